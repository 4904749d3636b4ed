// The table view's rows: data rows, the new item row, master rows that own detail views and
// group rows; the table view data that chooses their classes. (Their view infos come with the
// layout step.)
#pragma once

#include "gridviews/cxGridTableView.h"

class TcxCustomGridRow : public TcxCustomGridRecord {
 public:
  using TcxCustomGridRecord::TcxCustomGridRecord;
  TcxGridTableView* GridView() const { return static_cast<TcxGridTableView*>(TcxCustomGridRecord::GridView()); }
  TcxGridViewData* ViewData() const;
  // Left collapses, Right expands, numeric-pad * expands recursively (the key is consumed).
  virtual void KeyDown(Word& key, TShiftState shift);
  virtual bool ExpandsOnDblClick() { return GetExpandable(); }

 protected:
  // The row's own key handling (after the record's).
  void HandleExpandKeys(Word& key);
};

class TcxGridDataRow : public TcxCustomGridRow {
 public:
  using TcxCustomGridRow::TcxCustomGridRow;
  bool HasCells() override { return true; }
};

class TcxGridNewItemRow : public TcxGridDataRow {
 public:
  using TcxGridDataRow::TcxGridDataRow;
};

class TcxGridMasterDataRow : public TcxGridDataRow {
 public:
  using TcxGridDataRow::TcxGridDataRow;
  // A hidden child level never stays active while a visible one exists: reading corrects the
  // index (telling the grid) and drops the view changes the correction queued.
  Integer GetActiveDetailIndex();
  void SetActiveDetailIndex(Integer index);
  TcxGridLevel* GetActiveDetailLevel();
  TcxCustomGridView* GetActiveDetailGridView();
  bool GetActiveDetailGridViewExists();
  TcxCustomGridView* GetDetailGridView(Integer index);
  Integer GetDetailGridViewCount();
  bool GetDetailGridViewExists(Integer index);
  bool HasDetailChildren();
  void CollapseRecord(bool recursive) override;
  void ExpandRecord(bool recursive) override;
  bool GetExpandable() override;
  bool GetExpanded() override;
  bool ExpandsOnDblClick() override;
  TcxCustomGridRecord* GetFirstChildToFocus();
  TcxCustomGridRecord* GetLastChildToFocus(bool recursive);
};

class TcxGridGroupRow : public TcxCustomGridRow {
 public:
  using TcxCustomGridRow::TcxCustomGridRow;
  void KeyDown(Word& key, TShiftState shift) override;
  void CollapseRecord(bool recursive) override;
  void ExpandRecord(bool recursive) override;
  bool GetExpandable() override;
  bool GetExpanded() override { return RowInfo().Expanded; }
  TcxGridColumn* GetGroupedColumn();
  // "Caption : value", then a blank and the group summary text when there is one.
  String GetGroupText();
  bool IsParent() override { return true; }
  bool IsDataRecord() override { return false; }
  Variant GetValue(Integer) override;
  void SetValue(Integer, const Variant&) override {}
  void SetDisplayText(Integer, const String&) override {}
};

class TcxGridViewData : public TcxCustomGridTableViewData {
  KORVAN_CLASS(TcxGridViewData, TcxCustomGridTableViewData)

 public:
  explicit TcxGridViewData(TcxCustomGridView* v) : TcxCustomGridTableViewData(v) {}
  TcxGridTableView* GridView() const { return static_cast<TcxGridTableView*>(TableView()); }
  TcxCustomGridRow* GetRow(Integer index) { return static_cast<TcxCustomGridRow*>(FetchRecord(index)); }
  Integer GetRowCount() const { return CountRecords(); }
  TcxGridNewItemRow* GetNewItemRow() const { return dynamic_cast<TcxGridNewItemRow*>(NewItemRecord()); }
  TcxGridRecordClass GetRecordClass(const TcxRowInfo& rowInfo) override;
  TcxGridRecordClass GetNewItemRecordClass() override { return GridRecordClassOf<TcxGridNewItemRow>(); }
  bool HasNewItemRecord() override;
  void CollapseAll(bool recursive) override;
  void ExpandAll(bool recursive) override;
};
