// The table view's rows: data rows, the new item row, master rows that own detail views and
// group rows; the table view data that chooses their classes; the view infos of data rows
// (cells, cell merging) and group rows (group cell, expand button) and their painters.
// Sources: cxGridRows.cpp (rows), cxGridRowsViewInfo.cpp (their layout and painting).
#pragma once

#include <memory>

#include "grid/cxGrid.h"
#include "grid/cxGridDetailsSite.h"
#include "gridviews/cxGridTableViewInfo.h"

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
  TcxGridRecordViewInfoClass GetViewInfoClass() override;
};

class TcxGridNewItemRow : public TcxGridDataRow {
 public:
  using TcxGridDataRow::TcxGridDataRow;
};

class TcxGridMasterDataRow : public TcxGridDataRow {
 public:
  using TcxGridDataRow::TcxGridDataRow;
  TcxGridRecordViewInfoClass GetViewInfoClass() override;
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
  TcxCustomGridRecord* GetFirstChildToFocus() override;
  TcxCustomGridRecord* GetLastChildToFocus(bool recursive) override;
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
  TcxGridRecordViewInfoClass GetViewInfoClass() override;
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

// ---- view infos of rows ---------------------------------------------------------------------------

class TcxGridDataRowViewInfo;

// A data cell of a row; cells of a merging column may cover the equal cells below them.
class TcxGridDataCellViewInfo : public TcxGridTableDataCellViewInfo {
  KORVAN_CLASS(TcxGridDataCellViewInfo, TcxGridTableDataCellViewInfo)

 public:
  TcxGridDataCellViewInfo(TcxGridDataRowViewInfo* row, TcxGridColumn* column);
  ~TcxGridDataCellViewInfo() override;
  TcxGridDataRowViewInfo* Row() const;
  TcxGridColumn* Column() const { return static_cast<TcxGridColumn*>(Item()); }
  bool Merged() const { return merged_; }
  bool Merging() const { return merging_; }
  TcxGridDataCellViewInfo* MergingCell() const { return mergingCell_; }
  Integer MergedCellCount() const { return Integer(mergedCells_.size()); }
  TcxGridDataCellViewInfo* MergedCell(Integer i) const { return mergedCells_.at(size_t(i)); }
  TRect UnmergedBounds() const { return unmergedBounds_; }

  Integer CalculateWidth() override;
  TColor GetBorderColor(TcxBorder side) override;
  TcxBorders GetBorders() override;
  Integer GetBorderWidth(TcxBorder side) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  bool IsCellVisible() override { return !merged_ && TcxGridTableDataCellViewInfo::IsCellVisible(); }
  bool IsVisibleForHitTest() override { return TcxGridTableDataCellViewInfo::IsCellVisible(); }
  bool HasPoint(const TPoint& p) override;
  void OffsetBounds(Integer dx, Integer dy) override;
  void CalculateAt(Integer left, Integer top, Integer width = -1, Integer height = -1) override;
  TRect GetVisibleBounds() override { return Bounds; }

  // Links the equal cells below (cell merging) and stretches over them.
  void CalculateMerging();
  void ResetMerging();
  bool CanBeMerged();
  bool CanMerge();

 private:
  bool merged_ = false, merging_ = false;
  std::vector<TcxGridDataCellViewInfo*> mergedCells_;
  TcxGridDataCellViewInfo* mergingCell_ = nullptr;
  Integer unmergedHeight_ = 0;
  TRect unmergedBounds_;
};

// Hands its border lines to the table painter (one polyline call for all of them).
class TcxGridDataCellPainter : public TcxGridTableDataCellPainter {
  KORVAN_CLASS(TcxGridDataCellPainter, TcxGridTableDataCellPainter)

 public:
  using TcxGridTableDataCellPainter::TcxGridTableDataCellPainter;
  void PaintBorderSide(TcxBorder side) override;
};

class TcxGridPreviewHitTest : public TcxGridRecordCellHitTest {
  KORVAN_CLASS(TcxGridPreviewHitTest, TcxGridRecordCellHitTest)

 public:
  Integer GetHitTestCode() override { return 231; }
};

// The preview line of a data row: the preview column's text across the row, under (or above)
// the cells.
class TcxGridPreviewCellViewInfo : public TcxGridDataCellViewInfo {
  KORVAN_CLASS(TcxGridPreviewCellViewInfo, TcxGridDataCellViewInfo)

 public:
  using TcxGridDataCellViewInfo::TcxGridDataCellViewInfo;
  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  TBitmap* GetBackgroundBitmap() override;
  TcxBorders GetBorders() override;
  TClass GetHitTestClass() override { return TcxGridPreviewHitTest::StaticClass(); }
  bool CalculateMultiLine() override { return true; }
  TRect GetTextAreaBounds() override;
  bool IsAutoHeight() override;
  void GetEditorContentMargins(TRect& margins) override;
  Integer GetMaxLineCount() override;
  bool AllowsZeroHeight() override { return true; }
};

class TcxGridDataRowViewInfo : public TcxCustomGridRowViewInfo {
  KORVAN_CLASS(TcxGridDataRowViewInfo, TcxCustomGridRowViewInfo)

 public:
  TcxGridDataRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo, TcxCustomGridRecord* record);
  ~TcxGridDataRowViewInfo() override;
  Integer CellCount() const { return Integer(cells_.size()); }
  // The cell of visible column i when it exists.
  TcxGridDataCellViewInfo* ExistingCell(Integer i) const { return cells_.at(size_t(i)); }
  // The cell of visible column i, made on first request.
  TcxGridDataCellViewInfo* Cell(Integer i);
  Integer CellHeight() const { return cellHeight_; }
  TRect CellsAreaBounds() const { return cellsAreaBounds_; }
  TcxGridPreviewCellViewInfo* PreviewViewInfo() const { return preview_; }
  virtual bool HasPreview();
  Integer PreviewHeight();

  Integer CalculateHeight() override;
  void CalculateAt(Integer left, Integer top, Integer width = -1, Integer height = -1) override;
  void OffsetBounds(Integer dx, Integer dy) override;
  TRect GetVisibleBounds() override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  bool HasVariableHeight() override;
  bool CanSize() override;
  void SetRowHeight(Integer height) override;
  Integer CheckRowHeight(Integer height) override;
  TcxGridTableDataCellViewInfo* GetCellViewInfoByItem(TcxCustomGridTableItem* item) override;
  void GetItemCellBounds(TcxCustomGridTableItem* item, TRect& r) override;
  void PostCalculate() override;
  void Refresh() override;
  TcxCustomGridCellPainterClass GetPainterClass() override;

  virtual Integer GetCellLeft(Integer index);
  virtual Integer GetCellWidth(Integer index);
  virtual bool IsColumnVisible(Integer index);
  void CalculateCell(Integer index);
  TcxBorders GetCellBorders(bool atRightEdge) { return TableViewInfo()->GetCellBorders(atRightEdge); }

 protected:
  TcxGridColumnHeaderViewInfo* HeaderCell(Integer index);

 private:
  std::vector<TcxGridDataCellViewInfo*> cells_;
  TcxGridPreviewCellViewInfo* preview_ = nullptr;
  Integer cellHeight_ = 0, previewHeight_ = -1;
  TRect cellsAreaBounds_;
};

class TcxGridDataRowPainter : public TcxCustomGridRowPainter {
  KORVAN_CLASS(TcxGridDataRowPainter, TcxCustomGridRowPainter)

 public:
  using TcxCustomGridRowPainter::TcxCustomGridRowPainter;
  void DrawCells() override;
};

// The row above the rows for appending a record: an info text until it is focused.
class TcxGridNewItemRowViewInfo : public TcxGridDataRowViewInfo {
  KORVAN_CLASS(TcxGridNewItemRowViewInfo, TcxGridDataRowViewInfo)

 public:
  using TcxGridDataRowViewInfo::TcxGridDataRowViewInfo;
  TAlignment GetAlignmentHorz() override { return taCenter; }
  TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
  String GetText() override;
  TRect GetTextAreaBounds() override;
  void GetViewParams(TcxStyleParams& params) override;
  Integer CalculateHeight() override;
  Integer GetBottomPartsHeight() override;
  bool HasSeparator() override { return false; }
  bool HasClosingGridLine() override { return false; }
  bool HasPreview() override { return false; }
  bool HasVariableHeight() override { return false; }
  Integer GetCellLeft(Integer index) override;
  Integer GetCellWidth(Integer index) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  TRect GetNewItemSeparatorBounds();
  bool ShowsInfoText();

 private:
  Integer height_ = 0;
};

class TcxGridNewItemRowPainter : public TcxGridDataRowPainter {
  KORVAN_CLASS(TcxGridNewItemRowPainter, TcxGridDataRowPainter)

 public:
  using TcxGridDataRowPainter::TcxGridDataRowPainter;
  void DrawCells() override;
  void PaintRow() override;
};

class TcxGridGroupRowViewInfo;

// The cell of a group row: the grouped column's caption and value, with the group summary.
class TcxGridGroupCellViewInfo : public TcxGridTableCellViewInfo {
  KORVAN_CLASS(TcxGridGroupCellViewInfo, TcxGridTableCellViewInfo)

 public:
  explicit TcxGridGroupCellViewInfo(TcxGridGroupRowViewInfo* row);
  TcxGridGroupRowViewInfo* Row() const;
  String GetText() override;
  TRect GetTextAreaBounds() override;
  TcxAlignmentVert GetAlignmentVert() override;
  void GetViewParams(TcxStyleParams& params) override;
  TcxBorders GetBorders() override;
  Integer GetBorderWidth(TcxBorder side) override;
  TColor GetBorderColor(TcxBorder side) override;
  TRect GetSideBorderRect(TcxBorder side) override;
  TBitmap* GetBackgroundBitmap() override;
  bool HasCustomDraw() override;
  bool CustomDraw(TcxCanvas* canvas) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
};

class TcxGridGroupCellPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridGroupCellPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawBorders() override;
};

class TcxGridGroupRowViewInfo : public TcxCustomGridRowViewInfo {
  KORVAN_CLASS(TcxGridGroupRowViewInfo, TcxCustomGridRowViewInfo)

 public:
  TcxGridGroupRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo, TcxCustomGridRecord* record);
  ~TcxGridGroupRowViewInfo() override;
  TcxGridGroupCellViewInfo* GroupCell() const { return cell_; }
  TcxGridGroupRow* GroupRow() const { return static_cast<TcxGridGroupRow*>(GridRecord()); }
  bool IsOffice11() const;

  Integer CalculateHeight() override;
  void CalculateAt(Integer left, Integer top, Integer width = -1, Integer height = -1) override;
  void OffsetBounds(Integer dx, Integer dy) override;
  bool HasExpandButton() override { return true; }
  // A collapsed group shows its own footer under it when group footers are always visible.
  bool HasFooter(Integer index) override;
  bool CanSize() override;
  void SetRowHeight(Integer height) override;
  Integer CheckRowHeight(Integer height) override;
  void CalculateExpandButtonBounds(TRect& r) override;
  void GetExpandButtonAreaBounds(TRect& r) override;
  void GetFocusRectBounds(TRect& r) override;
  bool FocusRectCoversRecord() override { return true; }
  bool HasSeparator() override { return !IsOffice11(); }
  TRect GetSeparatorBounds() override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;

 private:
  TcxGridGroupCellViewInfo* cell_;
};

class TcxGridGroupRowPainter : public TcxCustomGridRowPainter {
  KORVAN_CLASS(TcxGridGroupRowPainter, TcxCustomGridRowPainter)

 public:
  using TcxCustomGridRowPainter::TcxCustomGridRowPainter;
  // The group cell paints the row's background: the button comes after it.
  bool DrawExpandButtonBeforePaint() override { return false; }
  void DrawCells() override;
  void PaintSeparator() override;
};

// ---- master rows ----------------------------------------------------------------------------------

class TcxGridMasterDataRowViewInfo;

// The details site of an expanded master row: the detail view of the row's active child level,
// below the row's cells. Its sizes are computed once per layout of the row.
class TcxGridDetailsSiteViewInfo : public TcxCustomGridDetailsSiteViewInfo {
  KORVAN_CLASS(TcxGridDetailsSiteViewInfo, TcxCustomGridDetailsSiteViewInfo)

 public:
  explicit TcxGridDetailsSiteViewInfo(TcxGridMasterDataRowViewInfo* row);
  TcxGridMasterDataRowViewInfo* MasterDataRowViewInfo() const { return row_; }
  TcxGridMasterDataRow* MasterDataRow() const;

  TcxCanvas* GetCanvas() override;
  bool GetViewFits() override;
  Integer GetHeight() override;
  TcxCustomLookAndFeelPainterClass GetLookAndFeelPainter() override;
  TcxCustomGridRecord* GetMasterRecord() override;
  Integer GetMaxHeight() override;
  Integer GetMaxNaturalHeight() override;
  Integer GetMaxWidth() override;
  Integer GetNaturalHeight() override;
  Integer GetWidth() override;
  TcxCustomGridView* FindActiveGridView() override;
  TcxCustomGridView* GetActiveGridView() override;
  TcxGridLevel* GetActiveLevel() override;
  bool GetVisible() override;
  void InitTabHitTest(TcxGridDetailsSiteTabHitTest* hitTest) override;
  void ChangeActiveTab(TcxGridLevel* level, bool byKeyboard = false) override;
  bool SupportsTabAccelerators() override;
  TcxControl* GetControl() override;
  void ControlFocusChanged();
  // Forgets the sizes computed for the last layout.
  void ResetCalculated();

 private:
  Integer ClampHeight(Integer height);
  TcxGridMasterDataRowViewInfo* row_;
  bool heightCalculated_ = false, widthCalculated_ = false, fits_ = false;
  Integer height_ = 0, naturalHeight_ = 0, width_ = 0;
};

// The expand button column of a master row: one level indent wide, from the row top down
// over the details.
class TcxGridExpandButtonCellViewInfo : public TcxGridTableCellViewInfo {
  KORVAN_CLASS(TcxGridExpandButtonCellViewInfo, TcxGridTableCellViewInfo)

 public:
  explicit TcxGridExpandButtonCellViewInfo(TcxGridMasterDataRowViewInfo* row);
  TcxGridMasterDataRowViewInfo* Row() const;
  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  TBitmap* GetBackgroundBitmap() override;
  TcxBorders GetBorders() override;
  Integer GetBorderWidth(TcxBorder side) override;
  TColor GetBorderColor(TcxBorder side) override;
  TRect GetSideBorderRect(TcxBorder side) override;
  void GetViewParams(TcxStyleParams& params) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
};

class TcxGridExpandButtonCellPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridExpandButtonCellPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawBorders() override;
};

// The place of the details site under the row's cells, with the grid line below it.
class TcxGridDetailsAreaViewInfo : public TcxGridTableCellViewInfo {
  KORVAN_CLASS(TcxGridDetailsAreaViewInfo, TcxGridTableCellViewInfo)

 public:
  explicit TcxGridDetailsAreaViewInfo(TcxGridMasterDataRowViewInfo* row);
  TcxGridMasterDataRowViewInfo* Row() const;
  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  TcxBorders GetBorders() override;
  Integer GetBorderWidth(TcxBorder side) override;
  TColor GetBorderColor(TcxBorder side) override;
  bool HasBackground() override { return false; }
};

class TcxGridMasterDataRowViewInfo : public TcxGridDataRowViewInfo {
  KORVAN_CLASS(TcxGridMasterDataRowViewInfo, TcxGridDataRowViewInfo)

 public:
  TcxGridMasterDataRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo, TcxCustomGridRecord* record);
  ~TcxGridMasterDataRowViewInfo() override;
  TcxGridMasterDataRow* MasterDataRow() const { return static_cast<TcxGridMasterDataRow*>(GridRecord()); }
  TcxGridDetailsAreaViewInfo* DetailsAreaViewInfo() const { return detailsArea_; }
  TcxGridDetailsSiteViewInfo* DetailsSiteViewInfo() const { return detailsSite_; }
  TcxGridExpandButtonCellViewInfo* ExpandButtonCellViewInfo() const { return expandButtonCell_; }
  Integer DetailsSiteMaxHeight() const { return detailsSiteMaxHeight_; }
  bool IsDetailsSiteVisible() { return detailsSite_->GetVisible(); }
  Integer GetRowHeightForCache() override;

  Integer CalculateHeight() override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  void ResetCalculated() override;
  void CalculateAt(Integer left, Integer top, Integer width = -1, Integer height = -1) override;
  void OffsetBounds(Integer dx, Integer dy) override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  bool HasExpandButton() override { return true; }
  void CalculateExpandButtonBounds(TRect& r) override;
  void ControlFocusChanged() override;
  void GetExpandButtonAreaBounds(TRect& r) override;
  bool IsDetailVisible(TcxCustomGridView* detail) override;
  void SiteVisibilityChanged(bool visible) override;
  bool ProcessDialogChar(Word character) override;
  Integer GetRowContentHeight() override;
  Integer GetFocusAreaLeft() override;
  Integer GetFocusAreaWidth() override;
  // The rows' rest height below the row's top, less the data part.
  Integer GetDetailsMaxHeight(Integer dataHeight);
  // The row's record is the focused one.
  bool SupportsTabAccelerators();
  // The details area is shown whole inside the rows area.
  bool IsDetailsAreaFullyVisible();

 private:
  TcxGridDetailsAreaViewInfo* detailsArea_;
  TcxGridDetailsSiteViewInfo* detailsSite_;
  TcxGridExpandButtonCellViewInfo* expandButtonCell_;
  Integer detailsSiteMaxHeight_ = 0;
};

class TcxGridMasterDataRowPainter : public TcxGridDataRowPainter {
  KORVAN_CLASS(TcxGridMasterDataRowPainter, TcxGridDataRowPainter)

 public:
  using TcxGridDataRowPainter::TcxGridDataRowPainter;
  // The expand button cell paints the column's background: the button comes after it.
  bool DrawExpandButtonBeforePaint() override { return false; }
  void DrawCells() override;
};

// Drag opening of a master row's detail tab: the row is found again by its record when the
// tab opens (rows are made anew whenever the data controller changes them).
class TcxGridDragOpenInfoMasterDataRowTab : public TcxGridDragOpenInfoTab {
  KORVAN_CLASS(TcxGridDragOpenInfoMasterDataRowTab, TcxGridDragOpenInfoTab)

 public:
  TcxGridDragOpenInfoMasterDataRowTab(TcxGridLevel* level, TcxGridMasterDataRow* row);
  TcxGridMasterDataRow* MasterRow();
  bool IsSameTarget(TcxCustomGridDragOpenInfo* info) override;
  void OpenTarget() override;

 private:
  std::unique_ptr<TcxGridViewWatch> watch_;
  TcxGridTableView* view_;
  Integer recordIndex_;
};

// Unit start: the painters of the rows.
void RegisterGridRowPainters();
