// Layout and painting of the table view (unit cxGridTableView, split off its model): the
// view info with its level indents, grid lines and data width; the column containers (the
// column header line and the group-by box) with one column header per column; the areas of a
// header (sizing edge, filter button, sorting mark, glyph); their painters; the table painter.
// Source: cxGridTableViewInfo.cpp.
#pragma once

#include <limits>
#include <vector>

#include "grid/cxGridCustomTableController.h"
#include "grid/cxGridCustomTableViewInfo.h"
#include "grid/cxGridFilterPopup.h"
#include "gridviews/cxGridTableView.h"

class TcxGridColumnContainerViewInfo;
class TcxGridColumnHeaderViewInfo;
class TcxGridGroupByBoxViewInfo;
class TcxGridHeaderViewInfo;

// Where a dragged item would be dropped among a container's items: before the item at
// ItemIndex (a visible column index in the header, a group index in the group-by box).
class TcxGridItemContainerZone : public TObject {
 public:
  explicit TcxGridItemContainerZone(Integer itemIndex) : ItemIndex(itemIndex) {}
  bool IsSameZone(const TcxGridItemContainerZone* zone) const { return zone && zone->ItemIndex == ItemIndex; }
  Integer ItemIndex;
};

// The widest a column may be: no limit.
constexpr Integer cxGridMaxColumnWidth = std::numeric_limits<Integer>::max() / 2;

// ---- areas of a column header -----------------------------------------------------------------

class TcxGridColumnHeaderAreaViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxGridColumnHeaderAreaViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  explicit TcxGridColumnHeaderAreaViewInfo(TcxGridColumnHeaderViewInfo* columnHeader);
  TcxGridColumnHeaderViewInfo* ColumnHeaderViewInfo() const { return columnHeader_; }
  TcxGridColumn* Column() const;
  // Whether the area takes its room from the caption's text area.
  virtual bool OccupiesSpace() { return true; }
  // A size of 0 keeps the whole extent of the rectangle it is placed in.
  Integer CalculateWidth() override { return 0; }
  Integer CalculateHeight() override { return 0; }
  TAlignment GetAlignmentHorz() override { return taRightJustify; }
  TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
  TRect GetAreaClipBounds() override;
  TcxCanvas* GetCanvas() override;
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  // Places the area inside `whole` (areas that take no text space) or inside the remaining
  // text area, which it narrows.
  virtual void Place(const TRect& whole, TRect& textArea);

 private:
  TcxGridColumnHeaderViewInfo* columnHeader_;
};

// Straddles the header's right edge; not painted.
class TcxGridColumnHeaderHorzSizingEdgeViewInfo : public TcxGridColumnHeaderAreaViewInfo {
  KORVAN_CLASS(TcxGridColumnHeaderHorzSizingEdgeViewInfo, TcxGridColumnHeaderAreaViewInfo)

 public:
  using TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo;
  bool OccupiesSpace() override { return false; }
  Integer CalculateWidth() override { return 8; }
  TClass GetHitTestClass() override { return TcxGridColumnHeaderHorzSizingEdgeHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override { return nullptr; }
  void Place(const TRect& whole, TRect& textArea) override;
  // A double click best-fits the column.
  bool MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
};

class TcxGridColumnHeaderFilterButtonViewInfo : public TcxGridColumnHeaderAreaViewInfo,
                                                public IcxGridFilterItemProvider {
  KORVAN_CLASS(TcxGridColumnHeaderFilterButtonViewInfo, TcxGridColumnHeaderAreaViewInfo)

 public:
  using TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo;
  // A press opens the controller's filter drop-down for the column.
  bool HasPopup() override;
  IcxCustomGridPopup* GetPopup() override;
  void ShowPopup() override;
  TcxCustomGridTableItem* GetFilterItem() override;
  Integer CalculateWidth() override;
  Integer CalculateHeight() override;
  TClass GetHitTestClass() override { return TcxGridColumnHeaderFilterButtonHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  bool Active();
};

class TcxGridColumnHeaderSortingMarkViewInfo : public TcxGridColumnHeaderAreaViewInfo {
  KORVAN_CLASS(TcxGridColumnHeaderSortingMarkViewInfo, TcxGridColumnHeaderAreaViewInfo)

 public:
  using TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo;
  Integer CalculateWidth() override;
  Integer CalculateHeight() override;
  TClass GetHitTestClass() override { return nullptr; }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  bool Ascending();
};

class TcxGridColumnHeaderGlyphViewInfo : public TcxGridColumnHeaderAreaViewInfo {
  KORVAN_CLASS(TcxGridColumnHeaderGlyphViewInfo, TcxGridColumnHeaderAreaViewInfo)

 public:
  using TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo;
  Integer CalculateWidth() override;
  Integer CalculateHeight() override;
  TAlignment GetAlignmentHorz() override;
  TcxAlignmentVert GetAlignmentVert() override;
  TClass GetHitTestClass() override { return nullptr; }
  TcxCustomGridCellPainterClass GetPainterClass() override;
};

// ---- column headers ------------------------------------------------------------------------------

class TcxGridColumnHeaderViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxGridColumnHeaderViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  TcxGridColumnHeaderViewInfo(TcxGridColumnContainerViewInfo* container, TcxGridColumn* column);
  ~TcxGridColumnHeaderViewInfo() override;

  TcxGridColumn* Column() const { return column_; }
  TcxGridColumnContainerViewInfo* Container() const { return container_; }
  TcxGridTableView* TableView() const;
  Integer Overlap() const { return overlap_; }
  TcxNeighbors Neighbours() const { return neighbours_; }
  Integer AreaViewInfoCount() const { return Integer(areas_.size()); }
  TcxGridColumnHeaderAreaViewInfo* AreaViewInfo(Integer i) const { return areas_.at(size_t(i)); }
  TRect TextArea() const { return textArea_; }
  // The display width without the leftmost column's level indent, and where it starts.
  Integer RealWidth();
  Integer GetRealLeft() { return Bounds.Right - RealWidth(); }

  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  TcxCanvas* GetCanvas() override;
  bool CustomDraw(TcxCanvas* canvas) override;
  void CalculateTextAndParams() override;
  TAlignment GetAlignmentHorz() override;
  TcxAlignmentVert GetAlignmentVert() override;
  TRect GetAreaClipBounds() override;
  TBitmap* GetBackgroundBitmap() override;
  TcxBorders GetBorders() override;
  Integer GetBorderWidth(TcxBorder side) override { return GetCellFrameWidth(); }
  Integer AddTextMargins(Integer size) override { return size + 4 + 2 * GetCellFrameWidth(); }
  TClass GetHitTestClass() override { return TcxGridColumnHeaderHitTest::StaticClass(); }
  bool IsHotTrackable() override;
  bool CalculateMultiLine() override;
  bool CalculateMultiLinePainting() override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  bool ShowEndEllipsis() override;
  String GetText() override;
  TRect GetTextAreaBounds() override { return textArea_; }
  void GetViewParams(TcxStyleParams& params) override;
  Integer GetDisplayWidth() override { return Bounds.Width() - overlap_; }
  bool HasCustomDraw() override;
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  void OffsetBounds(Integer dx, Integer dy) override;
  void SetBoundsWidth(Integer w) override;
  void CalculateAt(Integer left, Integer top, Integer width = -1, Integer height = -1) override;
  Integer GetPreferredWidth() override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  bool MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  bool HasHint() override;

  bool HasLeftArea() const { return hasLeftArea_; }
  bool HasRightArea() const { return hasRightArea_; }
  virtual void CalculateAreas();
  virtual bool CheckVisibility(Integer left, Integer width);
  virtual bool HasFilterButton();
  virtual bool HasSizingEdge();
  virtual bool CanPress() { return true; }
  virtual bool HasSortingMark();
  // Clamps a requested width to the header's limits.
  virtual void CheckWidth(Integer& width);
  virtual void CreateAreaViewInfos();
  virtual Integer GetCellFrameWidth();
  virtual bool IsPressed();
  virtual Integer GetMaxWidth();
  virtual Integer GetMinWidth();
  virtual bool HasGlyph();
  // The header's natural height for a text height and a look and feel (class-level).
  static Integer HeightForText(Integer textHeight, Integer borderWidth) { return textHeight + 4 + 2 * borderWidth; }

 protected:
  Integer widthCache_ = -1;

 private:
  TcxGridColumnContainerViewInfo* container_;
  TcxGridColumn* column_;
  std::vector<TcxGridColumnHeaderAreaViewInfo*> areas_;
  Integer overlap_ = 0, realWidth_ = 0;
  bool hasLeftArea_ = false, hasRightArea_ = false;
  TcxNeighbors neighbours_;
  TRect textArea_;
};

// A grouped column in the group-by box: its height is the box's common item height.
class TcxGridGroupByBoxColumnHeaderViewInfo : public TcxGridColumnHeaderViewInfo {
  KORVAN_CLASS(TcxGridGroupByBoxColumnHeaderViewInfo, TcxGridColumnHeaderViewInfo)

 public:
  using TcxGridColumnHeaderViewInfo::TcxGridColumnHeaderViewInfo;
  Integer CalculateHeight() override;
};

// ---- column containers ------------------------------------------------------------------------

// The parts above the rows that hold column headers.
class TcxGridColumnContainerViewInfo : public TcxCustomGridPartViewInfo {
  KORVAN_CLASS(TcxGridColumnContainerViewInfo, TcxCustomGridPartViewInfo)

 public:
  explicit TcxGridColumnContainerViewInfo(TcxCustomGridViewInfo* gridViewInfo);
  ~TcxGridColumnContainerViewInfo() override;
  TcxGridTableViewInfo* TableViewInfo() const;
  TcxGridTableView* TableView() const;

  Integer GetItemViewInfoCount() { return Integer(items_.size()); }
  // The item view info at index, made on first request.
  TcxGridColumnHeaderViewInfo* GetItemViewInfo(Integer index);
  // The item view info when it exists.
  TcxGridColumnHeaderViewInfo* ExistingItemViewInfo(Integer index) const { return items_.at(size_t(index)); }
  Integer GetItemHeight();
  // The zone a dragged column would take at the point, or none (owned by the caller).
  TcxGridItemContainerZone* GetDropZone(const TPoint& p);

  TcxCustomGridCellPainterClass GetPainterClass() override;
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  void OffsetBounds(Integer dx, Integer dy) override;
  void ResetCalculated() override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  TcxCanvas* GetCanvas() override;

  TcxGridPartAlignment GetPartAlignment() override { return gpaTop; }
  // The part, then its items.
  void CalculateAt(Integer left, Integer top, Integer width = -1, Integer height = -1) override;
  virtual void CalculateItems() {}

  virtual Integer CalculateItemHeight();
  virtual bool IsMultiLine() { return false; }
  virtual TcxGridColumn* GetItem(Integer index) = 0;
  virtual Integer GetItemCount() = 0;
  virtual Integer GetColumnIndent(TcxGridColumn* column);
  virtual Integer GetColumnMinWidth(TcxGridColumn* column);
  virtual TcxNeighbors GetNeighbours(TcxGridColumn* column) { return TcxNeighbors(); }
  virtual Integer GetColumnWidth(TcxGridColumn* column);
  virtual TRect GetItemClipArea();
  virtual TClass GetItemViewInfoClass() { return TcxGridColumnHeaderViewInfo::StaticClass(); }
  virtual bool IsItemHeightFixed() { return false; }
  virtual TRect GetItemsAreaBounds() { return Bounds; }
  virtual TcxCustomGridHitTest* GetItemHitTest(const TPoint& p);
  virtual Integer GetContainerKind() = 0;
  virtual TRect GetZonesAreaBounds();
  // Items paint before the container's background (and are left out of it).
  virtual bool PaintsItemsFirst() { return true; }
  // Makes the list as long as the item count (entries are made on request).
  void InitItems();

 protected:
  virtual TcxGridColumnHeaderViewInfo* CreateItemViewInfo(TcxGridColumn* column);

 private:
  std::vector<TcxGridColumnHeaderViewInfo*> items_;
  Integer itemHeight_ = -1;
};

// The line of column headers above the rows.
class TcxGridHeaderViewInfo : public TcxGridColumnContainerViewInfo {
  KORVAN_CLASS(TcxGridHeaderViewInfo, TcxGridColumnContainerViewInfo)

 public:
  using TcxGridColumnContainerViewInfo::TcxGridColumnContainerViewInfo;
  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  void GetViewParams(TcxStyleParams& params) override;
  TBitmap* GetBackgroundBitmap() override;
  TClass GetHitTestClass() override { return TcxGridHeaderHitTest::StaticClass(); }
  bool IsPartVisible() override;
  bool IsFullWidth() override { return false; }
  bool ScrollsHorizontally() override { return true; }
  // A hidden header still lays its columns out (the rows take their widths from it).
  void CalculateHidden() override;
  // Headers that leave the client area become invisible, those that enter it visible.
  void OffsetBounds(Integer dx, Integer dy) override;
  void CalculateItems() override;
  Integer CalculateItemHeight() override;
  bool IsMultiLine() override;
  TcxGridColumn* GetItem(Integer index) override;
  Integer GetItemCount() override;
  TcxNeighbors GetNeighbours(TcxGridColumn* column) override;
  bool IsItemHeightFixed() override;
  Integer GetContainerKind() override { return 2; }
  TRect GetZonesAreaBounds() override;
  void CalculateAutoWidths();
  void CheckAutoWidths();
  bool IsAutoWidth();
  // The sum of the headers' widths: the data width the rows share.
  Integer DisplayWidth();
  // The header's width limit under auto width: the client width less the columns before
  // (current widths) and after (minimum widths). The sums are made once per layout.
  Integer GetAutoWidthMaxWidth(Integer index);
  // Forgets the sums (a header's width changed).
  void WidthsChanged() { sumsValid_ = false; }

 private:
  void CalculateSums();
  std::vector<Integer> widthsBefore_, minWidthsBefore_;
  bool sumsValid_ = false;
};

// The box above the header that shows the grouped columns as a staircase.
class TcxGridGroupByBoxViewInfo : public TcxGridColumnContainerViewInfo {
  KORVAN_CLASS(TcxGridGroupByBoxViewInfo, TcxGridColumnContainerViewInfo)

 public:
  using TcxGridColumnContainerViewInfo::TcxGridColumnContainerViewInfo;
  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  void GetViewParams(TcxStyleParams& params) override;
  TBitmap* GetBackgroundBitmap() override;
  TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
  String GetText() override;
  TRect GetTextAreaBounds() override;
  TClass GetHitTestClass() override { return TcxGridGroupByBoxHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  bool IsPartVisible() override;
  bool IsFullWidth() override { return true; }
  bool ScrollsHorizontally() override { return false; }
  void CalculateItems() override;
  TcxGridColumn* GetItem(Integer index) override;
  Integer GetItemCount() override;
  Integer GetColumnWidth(TcxGridColumn* column) override;
  TRect GetItemClipArea() override { return TRect(); }
  TClass GetItemViewInfoClass() override { return TcxGridGroupByBoxColumnHeaderViewInfo::StaticClass(); }
  Integer GetContainerKind() override { return 3; }

 protected:
  TcxGridColumnHeaderViewInfo* CreateItemViewInfo(TcxGridColumn* column) override;
};

// ---- painters ----------------------------------------------------------------------------------------

class TcxGridColumnContainerPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridColumnContainerPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  TcxGridColumnContainerViewInfo* Container() const {
    return static_cast<TcxGridColumnContainerViewInfo*>(ViewInfo());
  }
  void DrawContent() override;
  virtual void DrawItems();
};

class TcxGridGroupByBoxPainter : public TcxGridColumnContainerPainter {
  KORVAN_CLASS(TcxGridGroupByBoxPainter, TcxGridColumnContainerPainter)

 public:
  using TcxGridColumnContainerPainter::TcxGridColumnContainerPainter;
  void DrawContent() override;
  void DrawConnectors();
};

class TcxGridColumnHeaderPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridColumnHeaderPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  TcxGridColumnHeaderViewInfo* Header() const { return static_cast<TcxGridColumnHeaderViewInfo*>(ViewInfo()); }
  void DrawContent() override;
  void DrawBorders() override {}
  virtual void DrawAreas();
  bool ExcludeFromClipping() override { return true; }
};

class TcxGridColumnHeaderFilterButtonPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridColumnHeaderFilterButtonPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override;
  void DrawBorders() override {}
};

class TcxGridColumnHeaderSortingMarkPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridColumnHeaderSortingMarkPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override;
  void DrawBorders() override {}
};

class TcxGridColumnHeaderGlyphPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridColumnHeaderGlyphPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override;
  void DrawBorders() override {}
};

// The canvas cells measure on: the site's once it has a window or a parent (a site gets its
// window only when shown, after its first calculation), else the screen's.
TcxCanvas* GridTableMeasuringCanvas(TcxCustomGridViewInfo* viewInfo);
// The text of an empty group-by box.
String GridGroupByBoxCaption();
// Unit start: the painters of the table's cells.
void RegisterGridTableViewInfoPainters();
// Registers a cell painter class made with (canvas, cell).
template <class T>
void RegisterGridCellPainter() {
  RegisterGridCellPainterFactory(T::StaticClass(), [](TcxCanvas* c, TcxCustomGridCellViewInfo* v) -> TcxCustomGridCellPainter* {
    return new T(c, v);
  });
}

// ---- rows -------------------------------------------------------------------------------------------

class TcxGridRowsViewInfo;

// A row: its content (data height), then the separator and the closing grid line; a level
// indent cell per grouping level at its left.
class TcxCustomGridRowViewInfo : public TcxCustomGridRecordViewInfo {
  KORVAN_CLASS(TcxCustomGridRowViewInfo, TcxCustomGridRecordViewInfo)

 public:
  TcxCustomGridRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo, TcxCustomGridRecord* record);
  TcxGridTableViewInfo* TableViewInfo() const;
  TcxGridRowsViewInfo* RowsViewInfo() const;
  TcxGridTableView* GridTableView() const;
  Integer Level() const;
  Integer VisualLevel();
  // The width of the row's grouping indents.
  Integer LevelIndentWidth();

  Integer CalculateHeight() override { return GetBottomPartsHeight(); }
  Integer CalculateWidth() override;
  Integer GetContentWidth() override { return Bounds.Width() - LevelIndentWidth(); }
  bool IsCellVisible() override;
  void GetContentAreaBounds(TRect& r) override;
  void GetFocusRectBounds(TRect& r) override;
  bool HasExpandButton() override { return false; }
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;

  virtual void PostCalculate() {}
  virtual void Refresh() {}
  virtual Integer GetBottomPartsHeight();
  virtual Integer GetContentLeft() { return Bounds.Left + LevelIndentWidth(); }
  virtual Integer GetRowContentHeight() { return Bounds.Height() - GetBottomPartsHeight(); }
  virtual Integer GetFocusAreaLeft() { return GetContentLeft(); }
  virtual Integer GetFocusAreaWidth() { return GetContentWidth(); }
  virtual bool HasSeparator() { return true; }
  virtual Integer GetSeparatorWidth();
  virtual TRect GetSeparatorBounds();
  virtual TColor GetSeparatorColor();
  virtual bool HasClosingGridLine();
  TRect GetClosingGridLineBounds();
  // Level indent cell L (-1: the whole indent area), its content part and its line strips.
  TRect GetLevelIndentBounds(Integer level);
  void GetLevelIndentParts(Integer level, TRect& content, TRect& rightLine, TRect& bottomLine);
  // The expand button square inside a rectangle: 3 pixels in, centred vertically.
  TRect ExpandButtonSquare(const TRect& r);
};

class TcxGridRowsViewInfo : public TcxCustomGridRecordsViewInfo {
  KORVAN_CLASS(TcxGridRowsViewInfo, TcxCustomGridRecordsViewInfo)

 public:
  using TcxCustomGridRecordsViewInfo::TcxCustomGridRecordsViewInfo;
  TcxGridTableViewInfo* TableViewInfo() const;
  TcxGridTableView* TableView() const;
  Integer DataRowHeight() const { return dataRowHeight_; }
  Integer GroupRowHeight() const { return groupRowHeight_; }
  Integer RawDataRowHeight() const { return rawDataRowHeight_; }
  bool AllRowsFullyVisible() const { return allRowsFullyVisible_; }
  Integer CalculatedRowCount() const { return calculatedRowCount_; }
  TcxCustomGridRowViewInfo* Row(Integer i) const { return static_cast<TcxCustomGridRowViewInfo*>(Items(i)); }

  void AfterCalculate() override;
  void RefreshRows() override;
  void CalculateBounds() override;
  void GetDefaultBounds(TRect& r) override;
  void CalculateVisibleCount() override;
  bool HasVariableRecordHeight() override;
  Integer GetItemLeftBound(Integer index) override { return ContentBounds.Left; }
  Integer GetItemTopBound(Integer index) override;
  Integer GetPixelScrollSize(Integer count) override;
  void OffsetItem(Integer index, Integer pixels) override { Items(index)->OffsetBounds(0, pixels); }
  void OffsetBounds(Integer dx, Integer dy) override;
  TClass GetPainterClass() override;
  Integer AddHorzGridLineWidth(Integer value) override;

  virtual void CalculateConsts();
  virtual Integer CalculateDefaultDataRowHeight();
  virtual Integer CalculateDataRowHeight();
  virtual Integer CalculateGroupDefaultRowHeight(bool singleLine);
  virtual Integer CalculateGroupRowHeight(bool singleLine, const TcxStyleParams& params);
  virtual Integer GetGroupRowExtraHeight();
  virtual Integer GetRowStep() { return dataRowHeight_ + GetRowSeparatorWidth(); }
  virtual Integer GetRowSeparatorWidth();
  virtual Integer GetRowsWidth();
  virtual bool NeedsClosingGridLine();
  // During a calculation the height left below the row being placed.
  Integer GetRestHeight(Integer top);
  bool IsDataRowHeightAssigned();
  // The new item row above the rows (null without one).
  TcxCustomGridRowViewInfo* NewItemRowViewInfo() const { return newItemRow_; }
  ~TcxGridRowsViewInfo() override;
  void GetContentBounds(TRect& r) override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  TcxCustomGridRecordViewInfo* GetViewInfoOfRecord(TcxCustomGridRecord* record) override;

 private:
  TcxCustomGridRowViewInfo* newItemRow_ = nullptr;
  Integer dataRowHeight_ = 0, groupRowHeight_ = 0, rawDataRowHeight_ = 0, restHeight_ = 0;
  Integer calculatedRowCount_ = 0;
  bool allRowsFullyVisible_ = true, calculating_ = false;
};

// Paints every built row (also one cut off at the bottom).
class TcxGridRowsPainter : public TcxCustomGridRecordsPainter {
  KORVAN_CLASS(TcxGridRowsPainter, TcxCustomGridRecordsPainter)

 public:
  using TcxCustomGridRecordsPainter::TcxCustomGridRecordsPainter;
  void Paint() override;
};

// Level indents, the closing grid line and the separator, then the record.
class TcxCustomGridRowPainter : public TcxCustomGridRecordPainter {
  KORVAN_CLASS(TcxCustomGridRowPainter, TcxCustomGridRecordPainter)

 public:
  using TcxCustomGridRecordPainter::TcxCustomGridRecordPainter;
  TcxCustomGridRowViewInfo* Row() const { return static_cast<TcxCustomGridRowViewInfo*>(ViewInfo()); }
  void Paint() override;
  virtual void PaintRow();
  virtual void PaintLevelIndent(Integer level);
  virtual void PaintSeparator();
};

// ---- the view info and the painter ------------------------------------------------------------

class TcxGridTableViewInfo : public TcxCustomGridTableViewInfo {
  KORVAN_CLASS(TcxGridTableViewInfo, TcxCustomGridTableViewInfo)

 public:
  explicit TcxGridTableViewInfo(TcxCustomGridView* v) : TcxCustomGridTableViewInfo(v) {}
  ~TcxGridTableViewInfo() override;
  TcxGridTableView* TableView() const;
  TcxGridHeaderViewInfo* HeaderViewInfo() const { return headerViewInfo_; }
  TcxGridGroupByBoxViewInfo* GroupByBoxViewInfo() const { return groupByBoxViewInfo_; }
  Integer ExpandButtonOffset() const { return expandButtonOffset_; }
  Integer LevelIndent() const { return levelIndent_; }

  void Recalculate() override;
  void BeforeCalculation() override;
  void Calculate() override;
  void GetPartBounds(TcxCustomGridPartViewInfo* part, TRect& r) override;
  // The parts that scroll horizontally move by dx, then the rows.
  void OffsetHorizontally(Integer dx, Integer dy) override;
  void GetVertScrollArea(TRect& r) override;
  // What moves when the rows scroll by dy (dx) pixels, and the strip that repaints.
  virtual void GetVertScrollRects(Integer dy, TRect& scrolled, TRect& strip);
  virtual void GetHorzScrollRects(Integer dx, TRect& scrolled, TRect& strip);
  void GetHorzScrollArea(TRect& r) override;
  TClass GetRecordsViewInfoClass() override;

  virtual TClass GetGroupByBoxViewInfoClass() { return TcxGridGroupByBoxViewInfo::StaticClass(); }
  virtual TClass GetHeaderViewInfoClass() { return TcxGridHeaderViewInfo::StaticClass(); }
  virtual Integer CalculateDataWidth();
  virtual void CalculateIndentConsts();
  Integer GetLevelIndentsWidth() { return GetVisualLevelCount() * levelIndent_; }
  // Grouped columns (one less in the Office 11 style), plus one for a master view.
  virtual Integer GetVisualLevelCount();
  virtual Integer GetVisualLevel(Integer level);
  virtual Integer GetGridLineWidth() { return 1; }
  virtual TColor GetGridLineColor();
  virtual TcxBorders GetCellBorders(bool atRightEdge);
  // The client area stretched over the header (the area that scrolls horizontally).
  TRect HorzScrollArea() {
    TRect r;
    GetHorzScrollArea(r);
    return r;
  }
  // The data width, computed once per layout.
  Integer GetDataWidth();
  TColor GetGroupLevelColor(Integer level);
  Integer LeftPos();

 protected:
  void CreateViewParts() override;
  void DestroyViewParts() override;

 private:
  TcxGridGroupByBoxViewInfo* groupByBoxViewInfo_ = nullptr;
  TcxGridHeaderViewInfo* headerViewInfo_ = nullptr;
  Integer dataWidth_ = 0, expandButtonOffset_ = 3, levelIndent_ = 0;
};

class TcxGridTablePainter : public TcxCustomGridTablePainter {
  KORVAN_CLASS(TcxGridTablePainter, TcxCustomGridTablePainter)

 public:
  explicit TcxGridTablePainter(TcxCustomGridView* v) : TcxCustomGridTablePainter(v) {}
  TcxGridTableViewInfo* TableViewInfo() { return static_cast<TcxGridTableViewInfo*>(PaintViewInfo()); }
  void PaintViewContent() override;
  // The records with their cell borders collected and drawn in one polyline call.
  void DrawRecords() override;
  // Pixels move instead of a repaint only without the bitmaps and merged cells that would
  // move with them.
  bool CanScrollWindow() override;
  // Paints a part and leaves it out of the view's background.
  void PaintPart(TcxCustomGridCellViewInfo* part);
  // While the records paint: a cell border to draw with the others (false: not collecting).
  bool AddGridLine(const TRect& r);
  // Draws the lines: a rectangle one pixel high as a horizontal line along its top, any other
  // as a vertical line along its left edge.
  virtual void DrawGridLines(const std::vector<TRect>& lines, TColor color);

 private:
  std::vector<TRect>* gridLines_ = nullptr;
};
