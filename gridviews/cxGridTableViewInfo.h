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
  virtual bool IsSameZone(const TcxGridItemContainerZone* zone) const { return zone && zone->ItemIndex == ItemIndex; }
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
  // A descendant's own area (freed with the header).
  void AddAreaViewInfo(TcxGridColumnHeaderAreaViewInfo* area) { areas_.push_back(area); }
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
  // The column's header text wraps in the item's height (a fixed height or several lines).
  virtual bool IsItemHeightFixed(TcxGridColumn* column) { return false; }
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

// What differs between the header kinds: the height of one header line and of the whole
// header (one line here; banded views stack band rows).
class TcxGridHeaderViewInfoSpecific : public TObject {
  KORVAN_CLASS(TcxGridHeaderViewInfoSpecific, TObject)

 public:
  using CreateArgType = TcxGridHeaderViewInfo*;
  explicit TcxGridHeaderViewInfoSpecific(TcxGridHeaderViewInfo* container) : container_(container) {}
  TcxGridHeaderViewInfo* ContainerViewInfo() const { return container_; }
  virtual Integer ItemHeight();
  virtual Integer Height() { return ItemHeight(); }

 private:
  TcxGridHeaderViewInfo* container_;
};

// The line of column headers above the rows.
class TcxGridHeaderViewInfo : public TcxGridColumnContainerViewInfo {
  KORVAN_CLASS(TcxGridHeaderViewInfo, TcxGridColumnContainerViewInfo)

 public:
  using TcxGridColumnContainerViewInfo::TcxGridColumnContainerViewInfo;
  ~TcxGridHeaderViewInfo() override;
  // Made on first use from the table view info's GetHeaderViewInfoSpecificClass.
  TcxGridHeaderViewInfoSpecific* Specific();
  Integer CalculateHeight() override;
  // The header's height is set (OptionsView.HeaderHeight) rather than measured.
  virtual bool HasFixedHeight();
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
  bool IsItemHeightFixed(TcxGridColumn* column) override;
  Integer GetContainerKind() override { return 2; }
  // The lines of column headers one record spans (1; banded views stack band rows).
  virtual Integer GetLineCount() { return 1; }
  TRect GetZonesAreaBounds() override;
  void CalculateAutoWidths();
  virtual void CheckAutoWidths();
  bool IsAutoWidth();
  // The sum of the headers' widths: the data width the rows share.
  virtual Integer DisplayWidth();
  // The header's width limit under auto width: the client width less the columns before
  // (current widths) and after (minimum widths). The sums are made once per layout.
  Integer GetAutoWidthMaxWidth(Integer index);
  // Forgets the sums (a header's width changed).
  void WidthsChanged() { sumsValid_ = false; }

 private:
  void CalculateSums();
  std::vector<Integer> widthsBefore_, minWidthsBefore_;
  bool sumsValid_ = false;
  TcxGridHeaderViewInfoSpecific* specific_ = nullptr;
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

// ---- footers ---------------------------------------------------------------------------------------

class TcxGridFooterViewInfo;
class TcxGridRowFootersViewInfo;
class TcxCustomGridRowViewInfo;

// A footer cell under a column: the text of the column's footer summary item (painted only
// when the column has one; it answers hit tests also where it is not painted).
class TcxGridFooterCellViewInfo : public TcxGridColumnHeaderViewInfo {
  KORVAN_CLASS(TcxGridFooterCellViewInfo, TcxGridColumnHeaderViewInfo)

 public:
  using TcxGridColumnHeaderViewInfo::TcxGridColumnHeaderViewInfo;
  TcxGridFooterViewInfo* Footer() const;
  Integer CalculateHeight() override;
  bool CustomDraw(TcxCanvas* canvas) override;
  bool HasCustomDraw() override;
  TAlignment GetAlignmentHorz() override;
  TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
  TRect GetAreaClipBounds() override { return Bounds; }
  TBitmap* GetBackgroundBitmap() override;
  TcxBorders GetBorders() override { return cxBordersAll; }
  Integer GetCellFrameWidth() override;
  TClass GetHitTestClass() override { return TcxGridFooterCellHitTest::StaticClass(); }
  bool IsHotTrackable() override { return false; }
  bool HasHint() override { return false; }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  bool ShowEndEllipsis() override { return true; }
  String GetText() override;
  void GetViewParams(TcxStyleParams& params) override;
  Integer GetPreferredWidth() override;
  bool MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override { return false; }
  void CreateAreaViewInfos() override {}
  bool IsPressed() override { return false; }
  void CalculateAreas() override;
  // The index of the column's summary item (-1: none, the cell is not painted).
  virtual Integer GetSummaryItemIndex();
  bool HasSummary() { return GetSummaryItemIndex() != -1; }
};

// The footer below the rows: one cell per visible column under its header cell.
class TcxGridFooterViewInfo : public TcxGridHeaderViewInfo {
  KORVAN_CLASS(TcxGridFooterViewInfo, TcxGridHeaderViewInfo)

 public:
  using TcxGridHeaderViewInfo::TcxGridHeaderViewInfo;
  Integer CalculateHeight() override;
  void GetViewParams(TcxStyleParams& params) override;
  TBitmap* GetBackgroundBitmap() override;
  TClass GetHitTestClass() override { return TcxGridFooterHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  TcxGridPartAlignment GetPartAlignment() override { return gpaBottom; }
  bool IsPartVisible() override;
  TcxBorders GetBorders() override;
  Integer GetBorderWidth(TcxBorder side) override;
  void CalculateHidden() override { TcxCustomGridPartViewInfo::CalculateHidden(); }
  void OffsetBounds(Integer dx, Integer dy) override;
  void CalculateItems() override;
  Integer CalculateItemHeight() override;
  bool IsMultiLine() override;
  bool IsItemHeightFixed(TcxGridColumn*) override { return false; }
  Integer GetContainerKind() override { return 4; }
  // The footer's cells follow the header's lines.
  Integer GetLineCount() override;
  TRect GetItemsAreaBounds() override { return ContentBounds(); }
  TRect GetItemClipArea() override { return TRect(); }
  bool PaintsItemsFirst() override;

  // The view footer shows the separator strip at its top; group footers do not.
  virtual bool HasSeparator() { return true; }
  Integer SeparatorWidth();
  // The footer's indent at the left of the rows (group footers).
  virtual Integer GetIndent() { return 0; }
  // The natural width of a column's cell (best fit).
  Integer GetCellNaturalWidth(Integer index);

 protected:
  TcxGridColumnHeaderViewInfo* CreateItemViewInfo(TcxGridColumn* column) override;
  void CalculateCell(Integer index);
};

// A group footer cell: the column's group footer summary at the footer's group level.
class TcxGridRowFooterCellViewInfo : public TcxGridFooterCellViewInfo {
  KORVAN_CLASS(TcxGridRowFooterCellViewInfo, TcxGridFooterCellViewInfo)

 public:
  using TcxGridFooterCellViewInfo::TcxGridFooterCellViewInfo;
  TClass GetHitTestClass() override { return TcxGridGroupFooterCellHitTest::StaticClass(); }
  String GetText() override;
  void GetViewParams(TcxStyleParams& params) override;
  Integer GetSummaryItemIndex() override;
};

// One footer closing a group under the last row of that group (not one of the view's parts).
class TcxGridRowFooterViewInfo : public TcxGridFooterViewInfo {
  KORVAN_CLASS(TcxGridRowFooterViewInfo, TcxGridFooterViewInfo)

 public:
  TcxGridRowFooterViewInfo(TcxGridRowFootersViewInfo* container, Integer index);
  TcxGridRowFootersViewInfo* Container() const { return container_; }
  TcxCustomGridRowViewInfo* RowViewInfo() const;
  Integer FooterIndex() const { return index_; }
  // The grouping level the footer closes.
  Integer GroupLevel();
  bool RegistersAsPart() override { return false; }
  bool IsPartVisible() override { return true; }
  bool HasSeparator() override { return false; }
  Integer GetIndent() override;
  Integer CalculateWidth() override;
  void GetViewParams(TcxStyleParams& params) override;
  TClass GetHitTestClass() override { return TcxGridGroupFooterHitTest::StaticClass(); }
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  bool IsCellVisible() override { return Visible; }

 protected:
  TcxGridColumnHeaderViewInfo* CreateItemViewInfo(TcxGridColumn* column) override;

 private:
  TcxGridRowFootersViewInfo* container_;
  Integer index_;
};

// The group footers of one row, innermost group first.
class TcxGridRowFootersViewInfo : public TObject {
  KORVAN_CLASS(TcxGridRowFootersViewInfo, TObject)

 public:
  explicit TcxGridRowFootersViewInfo(TcxCustomGridRowViewInfo* row);
  ~TcxGridRowFootersViewInfo() override;
  TcxCustomGridRowViewInfo* RowViewInfo() const { return row_; }
  Integer Count() const { return Integer(items_.size()); }
  TcxGridRowFooterViewInfo* Items(Integer i) const { return items_.at(size_t(i)); }
  // The footer with the footer index, or null.
  TcxGridRowFooterViewInfo* GetFooterByIndex(Integer index) const;
  Integer GetHeight();
  Integer GetMaxCellWidth(Integer columnIndex);
  virtual void CalculateAt(Integer left, Integer top);
  virtual TcxCustomGridHitTest* GetHitTest(const TPoint& p);
  virtual void OffsetBounds(Integer dx, Integer dy);
  void ResetCalculated();
  void Paint(TcxCanvas* canvas);

 private:
  TcxCustomGridRowViewInfo* row_;
  std::vector<TcxGridRowFooterViewInfo*> items_;
  Integer height_ = -1;
};

// ---- the indicator -------------------------------------------------------------------------------

class TcxGridIndicatorViewInfo;

// A cell of the indicator column: beside the header, a row or the footer.
class TcxCustomGridIndicatorItemViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxCustomGridIndicatorItemViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  explicit TcxCustomGridIndicatorItemViewInfo(TcxGridIndicatorViewInfo* indicator);
  ~TcxCustomGridIndicatorItemViewInfo() override;
  TcxGridIndicatorViewInfo* Indicator() const { return indicator_; }
  TcxGridTableView* TableView() const;
  // The indicator goes first (a relayout frees it before the rows that own row items).
  void Detach() { indicator_ = nullptr; }
  Integer CalculateWidth() override;
  bool CustomDraw(TcxCanvas* canvas) override;
  bool HasCustomDraw() override;
  void GetViewParams(TcxStyleParams& params) override;
  TClass GetHitTestClass() override { return TcxGridIndicatorHitTest::StaticClass(); }
  TcxBorders GetBorders() override { return TcxBorders(); }

 private:
  TcxGridIndicatorViewInfo* indicator_;
};

// Beside the header: the header look (with the quick customization glyph when that is on).
class TcxGridIndicatorHeaderItemViewInfo : public TcxCustomGridIndicatorItemViewInfo {
  KORVAN_CLASS(TcxGridIndicatorHeaderItemViewInfo, TcxCustomGridIndicatorItemViewInfo)

 public:
  using TcxCustomGridIndicatorItemViewInfo::TcxCustomGridIndicatorItemViewInfo;
  void GetViewParams(TcxStyleParams& params) override;
  TBitmap* GetBackgroundBitmap() override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  // It presses (and gives its hint) only with the columns' quick customization.
  bool IsHotTrackable() override;
  bool HasHint() override;
  String GetHintText() override;
  // The hint is not for a clipped text: it always shows, 5 pixels below the item.
  bool IsHintForText() override { return false; }
  void GetHintTextRect(const TPoint& p, TRect& r) override;
  // Pressed, it opens the table controller's quick customization drop-down (made by the
  // first press); a press on it while that shows leaves it open.
  bool HasPopup() override;
  IcxCustomGridPopup* GetPopup() override;
  void ShowPopup() override;
  bool PopupClosesOnOwner() override { return false; }
  // The list glyph of a quick customization shows.
  virtual bool ShowsQuickCustomizationGlyph();
};

// Beside a row: its focus, edit, insert or selection glyph, and its sizing edge.
class TcxGridIndicatorRowItemViewInfo : public TcxCustomGridIndicatorItemViewInfo {
  KORVAN_CLASS(TcxGridIndicatorRowItemViewInfo, TcxCustomGridIndicatorItemViewInfo)

 public:
  TcxGridIndicatorRowItemViewInfo(TcxGridIndicatorViewInfo* indicator, TcxCustomGridRowViewInfo* row);
  ~TcxGridIndicatorRowItemViewInfo() override;
  TcxCustomGridRowViewInfo* RowViewInfo() const { return row_; }
  void RowDestroyed() { row_ = nullptr; }
  // 0 none, 1 arrow, 2 edit, 3 insert, 4 multi-select dot, 5 multi-select arrow.
  TcxIndicatorKind IndicatorKind();
  // The strip around the bottom edge that sizes the row (empty when the row cannot size).
  TRect SizingEdgeBounds();
  TBitmap* GetBackgroundBitmap() override;
  TClass GetHitTestClass() override { return TcxGridRowIndicatorHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  bool MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  bool IsCellVisible() override;

 private:
  TcxCustomGridRowViewInfo* row_;
};

// Beside the footer: its separator and frame.
class TcxGridIndicatorFooterItemViewInfo : public TcxCustomGridIndicatorItemViewInfo {
  KORVAN_CLASS(TcxGridIndicatorFooterItemViewInfo, TcxCustomGridIndicatorItemViewInfo)

 public:
  using TcxCustomGridIndicatorItemViewInfo::TcxCustomGridIndicatorItemViewInfo;
  TBitmap* GetBackgroundBitmap() override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
};

// The narrow column at the left edge of the view.
class TcxGridIndicatorViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxGridIndicatorViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  explicit TcxGridIndicatorViewInfo(TcxCustomGridViewInfo* gridViewInfo);
  ~TcxGridIndicatorViewInfo() override;
  TcxGridTableViewInfo* TableViewInfo() const;
  TcxGridTableView* TableView() const;
  Integer ItemCount() const { return Integer(items_.size()); }
  TcxCustomGridIndicatorItemViewInfo* Items(Integer i) const { return items_.at(size_t(i)); }
  TcxGridIndicatorHeaderItemViewInfo* HeaderItem() const { return headerItem_; }
  TcxGridIndicatorFooterItemViewInfo* FooterItem() const { return footerItem_; }
  // Shown with the Indicator option or the columns' quick customization.
  virtual bool IsIndicatorVisible();
  // The header item offers the columns' quick customization (its list glyph shows).
  bool IsQuickCustomization();
  Integer IndicatorWidth();

  void AddItem(TcxCustomGridIndicatorItemViewInfo* item) { items_.push_back(item); }
  void RemoveItem(TcxCustomGridIndicatorItemViewInfo* item);
  TcxCustomGridIndicatorItemViewInfo* AddItemAt(Integer top, Integer height,
                                                TcxCustomGridIndicatorItemViewInfo* item);
  // A row's item, made with the row's view info (owned by the row).
  TcxGridIndicatorRowItemViewInfo* AddRowItem(TcxCustomGridRowViewInfo* row);
  void CalculateRowItem(TcxCustomGridRowViewInfo* row, TcxGridIndicatorRowItemViewInfo* item);
  // The row item's bounds of the record, or an empty rectangle.
  TRect GetRowItemBounds(TcxCustomGridRecord* record);

  Integer CalculateWidth() override { return IndicatorWidth(); }
  Integer CalculateHeight() override;
  void CalculateAt(Integer left, Integer top, Integer width = -1, Integer height = -1) override;
  void GetViewParams(TcxStyleParams& params) override;
  TBitmap* GetBackgroundBitmap() override;
  TClass GetHitTestClass() override { return TcxGridIndicatorHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  void OffsetRowItems(Integer dy);

 private:
  std::vector<TcxCustomGridIndicatorItemViewInfo*> items_;
  TcxGridIndicatorHeaderItemViewInfo* headerItem_ = nullptr;
  TcxGridIndicatorFooterItemViewInfo* footerItem_ = nullptr;
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

class TcxGridFooterPainter : public TcxGridColumnContainerPainter {
  KORVAN_CLASS(TcxGridFooterPainter, TcxGridColumnContainerPainter)

 public:
  using TcxGridColumnContainerPainter::TcxGridColumnContainerPainter;
  void DrawBorders() override;
};

class TcxGridFooterCellPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridFooterCellPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void Paint() override;
  void DrawContent() override;
  void DrawBorders() override {}
  bool ExcludeFromClipping() override { return true; }
};

class TcxGridIndicatorPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridIndicatorPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override;
  void DrawBorders() override {}
};

class TcxGridIndicatorHeaderItemPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridIndicatorHeaderItemPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override;
  void DrawBorders() override {}
  bool ExcludeFromClipping() override { return true; }
};

class TcxGridIndicatorRowItemPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridIndicatorRowItemPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override;
  void DrawBorders() override {}
  bool ExcludeFromClipping() override { return true; }
};

class TcxGridIndicatorFooterItemPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridIndicatorFooterItemPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override;
  void DrawBorders() override {}
  bool ExcludeFromClipping() override { return true; }
};

// The text of an empty group-by box.
String GridGroupByBoxCaption();
// The painters of footers, group footers and the indicator (run by the one below).
void RegisterGridTableFooterPainters();
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
  ~TcxCustomGridRowViewInfo() override;
  TcxGridTableViewInfo* TableViewInfo() const;
  // The group footers below the row's content (null before the first calculation).
  TcxGridRowFootersViewInfo* RowFooters() const { return rowFooters_; }
  // The row's cell in the indicator (null while the indicator is hidden).
  TcxGridIndicatorRowItemViewInfo* IndicatorItem() const { return indicatorItem_; }
  void IndicatorItemDestroyed() { indicatorItem_ = nullptr; }
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
  void CalculateAt(Integer left, Integer top, Integer width = -1, Integer height = -1) override;
  void OffsetBounds(Integer dx, Integer dy) override;
  void GetItemAreaBounds(TcxCustomGridTableItem* item, TRect& r) override;

  // Whether the row shows the group footer with this index (0: the innermost group).
  virtual bool HasFooter(Integer index);
  // The height of the row's group footers.
  Integer GetFootersHeight();
  // Whether the row's height can change by the mouse (its indicator's sizing edge).
  virtual bool CanSize() { return false; }
  // Stores the height less the non-data height in the row kind's height option.
  virtual void SetRowHeight(Integer height) {}
  // A height the row can take (at least 1; the row kinds keep their minimum content height).
  virtual Integer CheckRowHeight(Integer height) { return std::max<Integer>(height, 1); }
  Integer GetDataHeight() { return GetRowContentHeight(); }
  Integer GetNonDataHeight() { return Bounds.Height() - GetDataHeight(); }
  // The height the visible rows walk counts for the row (a master row counts the height its
  // details need, so a row whose details are cut off is not counted as visible).
  virtual Integer GetRowHeightForCache() { return GetCachedHeight(); }
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

 private:
  TcxGridRowFootersViewInfo* rowFooters_ = nullptr;
  TcxGridIndicatorRowItemViewInfo* indicatorItem_ = nullptr;
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
  TcxGridFooterViewInfo* FooterViewInfo() const { return footerViewInfo_; }
  TcxGridIndicatorViewInfo* IndicatorViewInfo() const { return indicatorViewInfo_; }
  Integer ExpandButtonOffset() const { return expandButtonOffset_; }
  Integer LevelIndent() const { return levelIndent_; }
  // The left edge of the whole view (where the indicator sits).
  Integer ViewLeft() { return TcxCustomGridViewInfo::GetClientBounds().Left; }

  void Recalculate() override;
  // The height the view needs within a maximum size (a detail in its details site): a
  // measuring layout off-screen; fits when every remaining record shows whole.
  void GetHeight(const TPoint& maxSize, Integer& height, bool& fullyVisible) override;
  // Rows of a master view carry detail sites: they are laid out anew instead of moved.
  bool CanOffsetRecords(Integer count) override;
  void BeforeCalculation() override;
  void Calculate() override;
  void GetPartBounds(TcxCustomGridPartViewInfo* part, TRect& r) override;
  // Without the indicator column at the left.
  TRect GetClientBounds() override;
  // The indicator first, then the parts and rows.
  TcxCustomGridHitTest* GetContentHitTest(const TPoint& p) override;
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
  virtual TClass GetHeaderViewInfoSpecificClass() { return TcxGridHeaderViewInfoSpecific::StaticClass(); }
  virtual TClass GetFooterViewInfoClass() { return TcxGridFooterViewInfo::StaticClass(); }
  // The painter of the footer and of the group footers.
  virtual TcxCustomGridCellPainterClass GetFooterPainterClass();
  // Whether DataRowHeight, DataRowSizing, variable row heights and FooterAutoHeight apply.
  virtual bool SupportsRowHeightOptions() { return true; }
  virtual TClass GetIndicatorViewInfoClass() { return TcxGridIndicatorViewInfo::StaticClass(); }
  virtual Integer CalculateDataWidth();
  virtual void CalculateIndentConsts();
  Integer GetLevelIndentsWidth() { return GetVisualLevelCount() * levelIndent_; }
  // Grouped columns (one less in the Office 11 style), plus one for a master view.
  virtual Integer GetVisualLevelCount();
  virtual Integer GetVisualLevel(Integer level);
  virtual Integer GetGridLineWidth() { return 1; }
  // A data cell of a visible column: its height and its offset below the row's cells top
  // (the table view: the whole cell height, no offset).
  virtual Integer GetCellHeight(Integer visibleIndex, Integer cellHeight) { return cellHeight; }
  virtual Integer GetCellTopOffset(Integer visibleIndex, Integer cellHeight) { return 0; }
  // The area a data cell of a visible column is confined to (empty: no confinement).
  virtual TRect GetCellClipArea(Integer visibleIndex) { return TRect(); }
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
  TcxGridFooterViewInfo* footerViewInfo_ = nullptr;
  TcxGridIndicatorViewInfo* indicatorViewInfo_ = nullptr;
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
