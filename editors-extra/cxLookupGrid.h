// The lookup grid: the small drop-down grid of the lookup editors. A header row, one row per
// record of its own data controller, single-row focus, sorting by header clicks, grid lines, a
// vertical scroll bar and popup mouse tracking (the focus follows the mouse; a release over a
// row or Enter asks the owner to close the popup). Layout in TcxLookupGridViewInfo, painting in
// TcxLookupGridPainter.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "data/cxCustomData.h"
#include "editors/cxEdit.h"
#include "foundation/cxControls.h"
#include "foundation/cxGeometry.h"
#include "foundation/cxLookAndFeelPainters.h"

class TcxCustomLookupGrid;
class TcxLookupGridColumns;

class TcxLookupGridColumn : public TCollectionItem {
  KORVAN_CLASS(TcxLookupGridColumn, TCollectionItem)

 public:
  explicit TcxLookupGridColumn(TCollection* collection);
  ~TcxLookupGridColumn() override;
  void Assign(TPersistent* source) override;
  void SetIndex(Integer value) override;

  TcxCustomLookupGrid* Grid() const;
  String Caption() const { return captionAssigned_ ? caption_ : GetDefaultCaption(); }
  void SetCaption(const String& v);
  bool IsCaptionStored() const { return captionAssigned_; }
  bool Fixed() const { return fixed_; }
  void SetFixed(bool v);
  TAlignment HeaderAlignment() const { return headerAlignment_; }
  void SetHeaderAlignment(TAlignment v);
  Integer MinWidth() const { return minWidth_; }
  void SetMinWidth(Integer v);
  bool Sorting() const { return sorting_; }
  void SetSorting(bool v) { sorting_ = v; }
  TcxDataSortOrder SortOrder() const;
  void SetSortOrder(TcxDataSortOrder v);
  TcxEditRepositoryItem* RepositoryItem() const { return repositoryItem_; }
  void SetRepositoryItem(TcxEditRepositoryItem* v);
  Integer Width() const { return CheckWidth(widthAssigned_ ? width_ : CalcDefaultWidth()); }
  void SetWidth(Integer v);
  bool IsWidthStored() const { return widthAssigned_; }

  virtual Integer CheckWidth(Integer v) const { return v < minWidth_ ? minWidth_ : v; }
  virtual String GetDefaultCaption() const { return String(); }
  virtual TcxEditRepositoryItem* GetDefaultRepositoryItem() { return nullptr; }
  virtual Integer CalcDefaultWidth() const { return 64; }
  TcxEditRepositoryItem* GetEffectiveRepositoryItem() { return repositoryItem_ ? repositoryItem_ : GetDefaultRepositoryItem(); }
  bool IsFirstColumn() const { return Index() == 0; }
  bool IsLastColumn() const;
  virtual void ResetColumnDefaults();

 protected:
  void ReportChanged() { Changed(false); }

 private:
  String caption_;
  bool fixed_ = false;
  TAlignment headerAlignment_ = taLeftJustify;
  bool captionAssigned_ = false;
  bool widthAssigned_ = false;
  Integer minWidth_ = 20;
  TcxEditRepositoryItem* repositoryItem_ = nullptr;
  bool sorting_ = true;
  Integer width_ = 64;
};

class TcxLookupGridColumns : public TOwnedCollection {
  KORVAN_CLASS(TcxLookupGridColumns, TOwnedCollection)

 public:
  TcxLookupGridColumns(TcxCustomLookupGrid* grid, TCollectionItemClass itemClass);
  ~TcxLookupGridColumns() override;
  TcxCustomLookupGrid* Grid() const { return grid_; }
  TcxLookupGridColumn* Column(Integer index) const { return static_cast<TcxLookupGridColumn*>(Items(index)); }
  TcxLookupGridColumn* AddColumn() { return static_cast<TcxLookupGridColumn*>(Add()); }
  void BeginUpdate() override;
  void EndUpdate() override;
  void ResetColumnDefaults();

 protected:
  void Update(TCollectionItem* item) override;
  void Notify(TCollectionItem* item, TCollectionNotification action) override;

 private:
  TcxCustomLookupGrid* grid_;
};

class TcxLookupGridOptions : public TPersistent {
  KORVAN_CLASS(TcxLookupGridOptions, TPersistent)

 public:
  explicit TcxLookupGridOptions(TcxCustomLookupGrid* grid) : grid_(grid) {}
  void Assign(TPersistent* source) override;
  bool AnsiSort() const;
  void SetAnsiSort(bool v);
  bool CaseInsensitive() const;
  void SetCaseInsensitive(bool v);
  bool ColumnSorting() const { return columnSorting_; }
  void SetColumnSorting(bool v) { columnSorting_ = v; }
  bool FocusRowOnMouseMove() const { return focusRowOnMouseMove_; }
  void SetFocusRowOnMouseMove(bool v) { focusRowOnMouseMove_ = v; }
  TcxGridLines GridLines() const { return gridLines_; }
  void SetGridLines(TcxGridLines v);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool v);
  bool ShowHeader() const { return showHeader_; }
  void SetShowHeader(bool v);
  TNotifyEvent OnChanged;

 private:
  void OptionsChanged();
  void SetControllerOption(TcxDataControllerOption option, bool v);
  TcxCustomLookupGrid* grid_;
  bool columnSorting_ = true;
  bool focusRowOnMouseMove_ = true;
  TcxGridLines gridLines_ = glBoth;
  bool rowSelect_ = true;
  bool showHeader_ = true;
};

// Items of the controller are the grid's columns.
class TcxLookupGridDataController : public TcxCustomDataController {
  KORVAN_CLASS(TcxLookupGridDataController, TcxCustomDataController)

 public:
  explicit TcxLookupGridDataController(TComponent* owner) : TcxCustomDataController(owner) {}
  TObject* GetItem(int index) override;
};

// Laid-out state of one column header, one cell and one row.
struct TcxLookupGridColumnViewInfo {
  TRect Bounds, TextBounds;
  TAlignment Alignment = taLeftJustify;
  TcxBorders Borders;
  TcxNeighbors Neighbors;
  TcxDataSortOrder SortOrder = soNone;
  String Caption;
};

struct TcxLookupGridCellViewInfo {
  int ColumnIndex = -1;
  bool Focused = false;
  TRect Bounds, ContentBounds;
  TcxBorders Borders;
  String Text;
  TColor Color = clWindow, TextColor = clWindowText;
};

struct TcxLookupGridRowViewInfo {
  int RowIndex = -1, RecordIndex = -1;
  bool Focused = false;
  TRect Bounds, ContentBounds;
  TcxBorders Borders;
  std::vector<TcxLookupGridCellViewInfo> Cells;
};

class TcxLookupGridViewInfo : public TObject {
 public:
  enum TTopRowMode { trmNone, trmForward, trmBackward };
  explicit TcxLookupGridViewInfo(TcxCustomLookupGrid* grid) : grid_(grid) {}
  virtual ~TcxLookupGridViewInfo() = default;

  virtual Integer GetHeaderHeight();
  virtual void Calculate();
  virtual int FindTopRowIndex(int value);
  virtual TColor GetContentColor();
  virtual TFont* GetContentFont();
  virtual TColor GetContentTextColor();
  virtual TColor GetGridLineColor() { return clBtnFace; }
  virtual Integer GetGridLineWidth() { return 1; }
  virtual TColor GetHeaderColor();
  virtual TFont* GetHeaderFont();
  virtual TColor GetHeaderTextColor();
  virtual TColor GetSelectionColor();
  virtual TColor GetSelectionTextColor();

  // Recomputes the focused flag and the cell contents of one laid-out row.
  void CalculateRowContents(TcxLookupGridRowViewInfo& row);
  Integer RowHeight() const { return rowHeight_; }
  Integer FrameWidth() const { return frameWidth_; }
  TcxCustomLookupGrid* Grid() const { return grid_; }

  TRect ContentBounds, HeaderArea, RowsArea, VisibleRowsArea, RightEmptyArea, BottomEmptyArea;
  int VisibleRowCount = 0, ShownRowCount = 0;
  std::vector<TcxLookupGridColumnViewInfo> Columns;
  std::vector<TcxLookupGridRowViewInfo> Rows;

 protected:
  virtual void LayoutHeaderArea();
  virtual void LayoutEmptyAreas();
  virtual void LayoutColumnHeaders();
  virtual void LayoutRows();
  Integer CalcRowHeight();
  // Lays out row I at top; returns its bottom.
  Integer LayoutRow(int index, Integer top);

 private:
  TcxCustomLookupGrid* grid_;
  Integer frameWidth_ = 0;
  Integer rowHeight_ = 0;
  TTopRowMode mode_ = trmNone;
  int internalTop_ = 0;
};

class TcxLookupGridPainter : public TObject {
 public:
  explicit TcxLookupGridPainter(TcxCustomLookupGrid* grid) : grid_(grid) {}
  virtual ~TcxLookupGridPainter() = default;
  virtual void PaintControlFrame();
  virtual void PaintCell(const TcxLookupGridCellViewInfo& cell);
  virtual void PaintContent();
  virtual void PaintEmptyAreas();
  virtual void PaintHeaders();
  virtual void PaintRow(const TcxLookupGridRowViewInfo& row);
  virtual void PaintRows();
  void Paint(TcxCanvas* canvas);
  // The look-and-feel painter; the grid's effective one until a change stored another.
  TcxCustomLookAndFeelPainterClass LFPainter() const;
  void SetLFPainter(TcxCustomLookAndFeelPainterClass v) { lfPainter_ = v; }

 private:
  TcxCustomLookupGrid* grid_;
  TcxCanvas* canvas_ = nullptr;
  TcxCustomLookAndFeelPainterClass lfPainter_ = nullptr;
};

// Hit kinds: 0 outside, 1 header, 2 row cell.
struct TcxLookupGridHitInfo {
  int Kind = 0, RowIndex = -1, ColumnIndex = -1;
};

class TcxCustomLookupGrid : public TcxControl {
  KORVAN_CLASS(TcxCustomLookupGrid, TcxControl)

 public:
  using TCloseRequestEvent = std::function<void(TObject* sender, bool accept)>;
  static constexpr Cardinal kAutoScrollInterval = 50;

  explicit TcxCustomLookupGrid(TComponent* owner);
  ~TcxCustomLookupGrid() override;

  void BeginUpdate();
  void EndUpdate();
  bool IsUpdating() const { return lockCount_ > 0; }
  virtual void Changed(int kinds);

  TcxLookupGridColumns* Columns() const { return columns_; }
  TcxLookupGridOptions* Options() const { return options_.get(); }
  TcxCustomDataController* DataController() const { return dataController_.get(); }
  TcxLookupGridViewInfo* ViewInfo() const { return viewInfo_.get(); }
  TcxLookupGridPainter* Painter() const { return painter_.get(); }
  TcxLookupGridColumn* FocusedColumn() const { return focusedColumn_; }
  void SetFocusedColumnIndex(int index);
  bool PopupMode() const { return popupMode_; }
  void SetPopupMode(bool v);

  Integer AlignHeightToRows(Integer height);
  Integer GetHeightForRows(int rowCount);
  bool IsRowAtPoint(const TPoint& p) { return GetHitInfo(p).RowIndex >= 0; }
  TcxLookupGridHitInfo GetHitInfo(const TPoint& p);
  // Remembers the screen cursor position: a mouse move at the same place is ignored.
  static void StoreMousePosition();
  void MakeFocusedRowVisible();
  int FocusedRowIndex() const { return dataController_->FocusedRowIndex(); }
  void SetFocusedRowIndex(int index) { dataController_->ChangeFocusedRowIndex(index); }
  int RowCount() const { return dataController_->RowCount(); }
  int TopRowIndex() const { return topRowIndex_; }
  void SetTopRowIndex(int value);
  int AutoScrollState() const { return scrollingState_; }

  // Handlers the owner sets.
  TNotifyEvent OnSelectionNotify;
  TCloseRequestEvent OnCloseRequest;
  TNotifyEvent OnDataChanged;
  TNotifyEvent OnFurtherNotify;

  // Framework overrides.
  Integer FrameWidth() override;
  void ComputeScrollBarData() override;
  void PanScroll(TScrollBarKind kind, TScrollCode code, Integer& position) override;
  bool ProcessesClickWithoutFocus() override { return true; }
  void HandleBoundsChange() override;
  void CancelMouseOperation() override;
  void NotifyFocusChanged() override;
  void HandleFontChange() override;
  void HandleColorChange() override;
  void LookAndFeelUpdated(TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed) override;
  void Loaded() override;

  // Called by the columns collection.
  virtual void ColumnAdded(TcxLookupGridColumn* column);
  virtual void ColumnRemoved(TcxLookupGridColumn* column);
  bool Destroying() const { return destroying_; }

 protected:
  virtual TClass GetColumnClass();
  virtual void CreateDataController();
  virtual void RowMouseDown(int row, int column, TShiftState shift);
  virtual void HeaderMouseDown(int column, TShiftState shift);
  virtual TcxCustomLookAndFeelPainterClass GetLFPainterClass();
  // One row of scroll range above / below the rows while grid mode has records out of the window.
  virtual int GetTopScrollMargin();
  virtual int GetBottomScrollMargin();
  // Clamps a top row; in grid mode a value outside the window scrolls the data first.
  virtual int CheckTopRowIndex(int value);
  virtual bool IsFocusFollowingMouse() { return popupMode_ && options_->FocusRowOnMouseMove(); }
  virtual void SetScrollingState(int state);
  virtual void InvalidateFocusedRow();
  virtual void InvalidateRow(int rowIndex, bool recalculate);
  virtual void Recalculate();
  virtual void DataChanged();
  virtual void DoCloseRequest(bool accept);
  virtual void FocusedRowChanged(int previous, int current);
  virtual void RefreshLayout();
  virtual void SelectionChanged(TcxSelectionChangedInfo* info);
  virtual void DataControllerChanged(TcxUpdateControlInfo* info);
  virtual void SetFocusedRowSelected(bool value);

  void PaintBorderAndContent() override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void KeyDown(Word& key, TShiftState shift) override;

  // Puts another controller in place of the grid's own (the data-set grid's constructor, before
  // any column exists).
  void ReplaceDataController(TcxCustomDataController* controller);
  // Puts another (empty) columns collection in place of the grid's own, the same way.
  void ReplaceColumns(TcxLookupGridColumns* columns);
  void ScrollPageUp();
  void ScrollPageDown();
  // Moves the focused row by one (Up/Down), clamped to the rows, and marks it selected.
  virtual void MoveFocusedRow(int delta);

 private:
  void AutoScrollTick();
  int pendingChanges_ = 0;
  TcxLookupGridColumns* columns_ = nullptr;
  TcxLookupGridColumn* focusedColumn_ = nullptr;
  bool popupMode_ = false;
  int lockCount_ = 0;
  std::unique_ptr<TcxLookupGridOptions> options_;
  std::unique_ptr<TcxLookupGridPainter> painter_;
  bool mousePressed_ = false;
  int scrollingState_ = 0;
  std::unique_ptr<TcxTimer> autoScrollTimer_;
  int topRowIndex_ = 0;
  std::unique_ptr<TcxLookupGridViewInfo> viewInfo_;
  std::unique_ptr<TcxCustomDataController> dataController_;
  bool refreshing_ = false;
  bool destroying_ = false;
};

class TcxLookupGrid : public TcxCustomLookupGrid {
  KORVAN_CLASS(TcxLookupGrid, TcxCustomLookupGrid)

 public:
  explicit TcxLookupGrid(TComponent* owner) : TcxCustomLookupGrid(owner) {}
};

// Registers the lookup grid classes (and the units it needs).
void InitializeCxLookupGrid();
