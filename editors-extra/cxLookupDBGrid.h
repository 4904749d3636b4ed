// The data-set lookup grid: columns named by field, key fields, and in grid mode a scroll bar
// over the data set's records with the thumb moving the data set.
#pragma once

#include "data/cxDBData.h"
#include "editors-extra/cxLookupGrid.h"

class TcxCustomLookupDBGrid;

class TcxLookupDBGridColumn : public TcxLookupGridColumn {
  KORVAN_CLASS(TcxLookupDBGridColumn, TcxLookupGridColumn)

 public:
  using TcxLookupGridColumn::TcxLookupGridColumn;
  void Assign(TPersistent* source) override;
  String FieldName() const;
  void SetFieldName(const String& v);
  // The data set's field of the column (a lookup field's source field); nil when none.
  TField* Field() const;
  String GetDefaultCaption() const override;
  TcxEditRepositoryItem* GetDefaultRepositoryItem() override;
  Integer CalcDefaultWidth() const override;

 private:
  // The name held until the column belongs to a grid.
  String pendingName_;
};

class TcxLookupDBGridColumns : public TcxLookupGridColumns {
  KORVAN_CLASS(TcxLookupDBGridColumns, TcxLookupGridColumns)

 public:
  using TcxLookupGridColumns::TcxLookupGridColumns;
  TcxLookupDBGridColumn* Column(Integer index) const { return static_cast<TcxLookupDBGridColumn*>(Items(index)); }
  TcxLookupDBGridColumn* AddColumn() { return static_cast<TcxLookupDBGridColumn*>(Add()); }
  // The first column whose field name equals Name ignoring case; nil.
  TcxLookupDBGridColumn* FindByFieldName(const String& name) const;
};

// Items are the grid's columns; no sync with the data set's cursor, no insert sync; a grid-mode
// scroll refreshes the grid's scroll bars.
class TcxLookupGridDBDataController : public TcxDBDataController {
 public:
  explicit TcxLookupGridDBDataController(TcxCustomLookupGrid* grid);
  TObject* GetItem(int index) override;
  void GridModeScrolled() override;

 private:
  TcxCustomLookupGrid* grid_;
};

class TcxCustomLookupDBGrid : public TcxCustomLookupGrid {
  KORVAN_CLASS(TcxCustomLookupDBGrid, TcxCustomLookupGrid)

 public:
  explicit TcxCustomLookupDBGrid(TComponent* owner);
  TcxLookupGridDBDataController* DBDataController() const {
    return static_cast<TcxLookupGridDBDataController*>(DataController());
  }
  TcxLookupDBGridColumns* DBColumns() const { return static_cast<TcxLookupDBGridColumns*>(Columns()); }
  TDataSource* DataSource() const { return DBDataController()->DataSource(); }
  void SetDataSource(TDataSource* v) { DBDataController()->SetDataSource(v); }
  String KeyFieldNames() const { return DBDataController()->KeyFieldNames(); }
  void SetKeyFieldNames(const String& v) { DBDataController()->SetKeyFieldNames(v); }
  // Replaces the columns by one per ";"-separated name ("" leaves none).
  void SetFieldNames(const String& names);
  virtual void CreateColumnsForFields(const std::vector<String>& names);

  void ComputeScrollBarData() override;
  void PanScroll(TScrollBarKind kind, TScrollCode code, Integer& position) override;

 protected:
  TClass GetColumnClass() override { return TcxLookupDBGridColumn::StaticClass(); }
  // Grid mode: moving past the buffered rows scrolls the data set's window by one record first.
  void MoveFocusedRow(int delta) override;
  bool InSequencedGridMode();
};

class TcxLookupDBGrid : public TcxCustomLookupDBGrid {
  KORVAN_CLASS(TcxLookupDBGrid, TcxCustomLookupDBGrid)

 public:
  using TcxCustomLookupDBGrid::TcxCustomLookupDBGrid;
};
