// Layout, painting and control of the banded table view: the header becomes two storeys (band
// headers, one row per nesting level, over the column headers arranged in band rows); data rows
// repeat the band structure (a cell sits at its header's left and its band row's line offset);
// fixed root bands keep their place while the scrollable ones move. Also the banded hit tests,
// the controller (reading-order Tab, Up and Down through band rows) and the drag objects.
// Sources: cxGridBandedTableViewInfo.cpp (layout, painting), cxGridBandedTableController.cpp
// (controller, hit tests), cxGridBandedTableDragDrop.cpp (moving and sizing, Bands page, popup).
#pragma once

#include <memory>
#include <vector>

#include "grid/cxGridCustomizationForm.h"
#include "gridviews/cxGridBandedTableView.h"
#include "gridviews/cxGridRows.h"
#include "gridviews/cxGridTableViewDragDrop.h"
#include "gridviews/cxGridTableViewInfo.h"

class TcxGridBandsViewInfo;
class TcxGridBandViewInfo;
class TcxGridBandedHeaderViewInfo;
class TcxGridBandRowsViewInfo;
class TcxGridBandRowViewInfo;
class TcxGridBandsCustomizationPopup;

// ---- hit tests --------------------------------------------------------------------------------

class TcxGridColumnHeaderVertSizingEdgeHitTest : public TcxCustomGridColumnHitTest {
  KORVAN_CLASS(TcxGridColumnHeaderVertSizingEdgeHitTest, TcxCustomGridColumnHitTest)

 public:
  Integer GetHitTestCode() override { return 251; }
  TCursor GetCursor() override { return crcxVertSize; }
  TcxDragAndDropObjectClass DragAndDropObjectClass() override;
};

// A band: its band, where it is shown (0 header, 1 customization form) and the band row under
// the point (-1 none; the row count below the last row).
class TcxGridBandHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridBandHitTest, TcxCustomGridViewHitTest)

 public:
  Integer GetHitTestCode() override { return 252; }
  TcxGridBand* Band = nullptr;
  Integer BandContainerKind = 0;
  Integer VisibleRowIndex = -1;
};

class TcxGridBandHeaderHitTest : public TcxGridBandHitTest {
  KORVAN_CLASS(TcxGridBandHeaderHitTest, TcxGridBandHitTest)

 public:
  Integer GetHitTestCode() override { return 253; }
  TcxDragAndDropObjectClass DragAndDropObjectClass() override;
};

class TcxGridBandHeaderSizingEdgeHitTest : public TcxGridBandHitTest {
  KORVAN_CLASS(TcxGridBandHeaderSizingEdgeHitTest, TcxGridBandHitTest)

 public:
  Integer GetHitTestCode() override { return 254; }
  TCursor GetCursor() override { return crcxHorzSize; }
  TcxDragAndDropObjectClass DragAndDropObjectClass() override;
};

// ---- column headers ----------------------------------------------------------------------------

class TcxGridBandedColumnHeaderViewInfo : public TcxGridColumnHeaderViewInfo {
  KORVAN_CLASS(TcxGridBandedColumnHeaderViewInfo, TcxGridColumnHeaderViewInfo)

 public:
  using TcxGridColumnHeaderViewInfo::TcxGridColumnHeaderViewInfo;
  TcxGridBandedColumn* GetColumn() const { return static_cast<TcxGridBandedColumn*>(Column()); }
  TcxGridBandViewInfo* GetBandViewInfo();
  // The band row it stands in (null outside the header).
  TcxGridBandRowViewInfo* GetRowViewInfo();
  void CreateAreaViewInfos() override;
  TRect GetAreaClipBounds() override;
  Integer GetMaxWidth() override;
  bool CheckVisibility(Integer left, Integer width) override;
};

// The strip over a column header's bottom edge that sizes the column's line count.
class TcxGridBandedColumnHeaderVertSizingEdgeViewInfo : public TcxGridColumnHeaderAreaViewInfo {
  KORVAN_CLASS(TcxGridBandedColumnHeaderVertSizingEdgeViewInfo, TcxGridColumnHeaderAreaViewInfo)

 public:
  using TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo;
  bool OccupiesSpace() override { return false; }
  Integer CalculateHeight() override { return 8; }
  TClass GetHitTestClass() override { return TcxGridColumnHeaderVertSizingEdgeHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override { return nullptr; }
  void Place(const TRect& whole, TRect& textArea) override;
};

// ---- bands -------------------------------------------------------------------------------------

class TcxGridBandHeaderViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxGridBandHeaderViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  explicit TcxGridBandHeaderViewInfo(TcxGridBandViewInfo* bandViewInfo);
  TcxGridBandViewInfo* BandViewInfo() const { return band_; }
  TcxGridBand* GetBand() const;
  TcxGridBandedTableView* GridBandedView() const;
  // The band header rows the header spans.
  Integer GetRowCount();
  // The height of one band header: BandHeaderHeight, else BandHeaderLineCount text lines.
  Integer CalculateHeight() override;
  TcxCanvas* GetCanvas() override;
  TAlignment GetAlignmentHorz() override;
  TcxAlignmentVert GetAlignmentVert() override;
  TRect GetAreaClipBounds() override;
  TBitmap* GetBackgroundBitmap() override;
  TcxBorders GetBorders() override { return cxBordersAll; }
  Integer GetBorderWidth(TcxBorder) override;
  Integer AddTextMargins(Integer size) override;
  TClass GetHitTestClass() override { return TcxGridBandHeaderHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  bool IsHotTrackable() override;
  bool CalculateMultiLinePainting() override;
  bool ShowEndEllipsis() override;
  String GetText() override;
  void GetViewParams(TcxStyleParams& params) override;
  bool CustomDraw(TcxCanvas* canvas) override;
  bool HasCustomDraw() override;
  bool HasHint() override;
  bool CaptureMouseOnPress() override { return true; }
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  bool MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  bool IsPressed();
  // The strip centred on the right edge that sizes the band (empty when it cannot be sized).
  TRect SizingEdgeBounds();

 private:
  TcxGridBandViewInfo* band_;
};

// One band row of a bottom band: the headers of its visible columns.
class TcxGridBandRowViewInfo : public TObject {
  KORVAN_CLASS(TcxGridBandRowViewInfo, TObject)

 public:
  TcxGridBandRowViewInfo(TcxGridBandRowsViewInfo* rows, Integer visibleIndex);
  TcxGridBandRowsViewInfo* RowsViewInfo() const { return rows_; }
  Integer VisibleIndex() const { return visibleIndex_; }
  TcxGridBandRow* BandRow() const;
  Integer GetCount() const { return Integer(items_.size()); }
  TcxGridBandedColumnHeaderViewInfo* GetItem(Integer i) const { return items_.at(size_t(i)); }
  Integer GetLineCount();
  Integer GetLineOffset();
  Integer GetHeight();
  // The widest total of the row's headers before they are fitted (its natural width).
  Integer GetNaturalWidth();
  Integer GetMinWidth();
  // Fits the headers into the band's content width and places them from the left.
  void Calculate(const TRect& bounds);
  void OffsetBounds(Integer dx, Integer dy);
  TRect Bounds;

 private:
  TcxGridBandRowsViewInfo* rows_;
  Integer visibleIndex_;
  std::vector<TcxGridBandedColumnHeaderViewInfo*> items_;
  Integer lineCount_ = -1, height_ = -1, naturalWidth_ = -1;
};

class TcxGridBandRowsViewInfo : public TObject {
  KORVAN_CLASS(TcxGridBandRowsViewInfo, TObject)

 public:
  explicit TcxGridBandRowsViewInfo(TcxGridBandViewInfo* band);
  ~TcxGridBandRowsViewInfo() override;
  TcxGridBandViewInfo* BandViewInfo() const { return band_; }
  Integer GetCount() const { return Integer(items_.size()); }
  TcxGridBandRowViewInfo* GetItem(Integer i) const { return items_.at(size_t(i)); }
  Integer GetLineCount();
  // The widest row's natural width (50 without rows).
  Integer GetWidth();
  Integer GetMinWidth();
  Integer GetBandContentWidth();
  void Calculate(const TRect& bounds);
  void OffsetBounds(Integer dx, Integer dy);
  // The visible row under a y (the row count below the last one, -1 above the first).
  Integer RowAtY(Integer y) const;
  TRect Bounds;

 private:
  TcxGridBandViewInfo* band_;
  std::vector<TcxGridBandRowViewInfo*> items_;
  Integer width_ = -1;
};

class TcxGridBandViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxGridBandViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  TcxGridBandViewInfo(TcxGridBandsViewInfo* bands, Integer visibleIndex);
  ~TcxGridBandViewInfo() override;
  TcxGridBandsViewInfo* BandsViewInfo() const { return bands_; }
  TcxGridBand* GetBand() const { return band_; }
  Integer VisibleIndex() const { return visibleIndex_; }
  Integer BottomIndex() const { return bottomIndex_; }
  TcxGridBandHeaderViewInfo* GetHeaderViewInfo() const { return header_; }
  TcxGridBandRowsViewInfo* GetRowsViewInfo() const { return rows_; }
  TcxGridBandViewInfo* GetParentBandViewInfo();
  Integer GetChildBandViewInfoCount() const;
  TcxGridBandViewInfo* GetChildBandViewInfo(Integer i);
  Integer GetColumnHeaderViewInfoCount() const { return Integer(columnHeaders_.size()); }
  TcxGridBandedColumnHeaderViewInfo* GetColumnHeaderViewInfo(Integer i) const { return columnHeaders_.at(size_t(i)); }
  TcxGridBandFixedKind GetFixedKind() const { return band_->FixedKind(); }
  bool IsBottom() const { return band_->IsBottom(); }
  bool IsRoot() const { return band_->IsRoot(); }
  bool IsLastBottom();
  TcxGridBandedTableView* GridBandedView() const;

  // Widths (display = content + borders).
  Integer CalculateWidth() override;
  void SetBoundsWidth(Integer w) override;
  Integer GetContentWidth() override { return CalculateWidth() - BorderWidthOf(bLeft) - BorderWidthOf(bRight); }
  Integer GetMinContentWidth();
  Integer GetMinWidth() { return GetMinContentWidth() + BorderWidthOf(bLeft) + BorderWidthOf(bRight); }
  Integer GetAvailableWidth();
  Integer GetMaxWidth();
  Integer GetMaxContentWidth() { return GetMaxWidth() - BorderWidthOf(bLeft) - BorderWidthOf(bRight); }
  void ClampSizingWidth(Integer& width);
  // The height its header occupies (a bottom band reaches down to the column headers).
  Integer GetHeaderHeight();
  // The band's content area (its rectangle less the separator border).
  TRect GetContentBounds();
  TRect GetRowsAreaBounds();

  TcxBorders GetBorders() override;
  Integer GetBorderWidth(TcxBorder side) override;
  TColor GetBorderColor(TcxBorder side) override;
  Integer BorderWidthOf(TcxBorder side);
  TClass GetHitTestClass() override { return TcxGridBandHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  void GetViewParams(TcxStyleParams& params) override;
  TBitmap* GetBackgroundBitmap() override;
  TcxCanvas* GetCanvas() override;
  TRect GetAreaClipBounds() override;
  bool CustomDrawBackground(TcxCanvas* canvas) override;
  bool HasCustomDrawBackground() override;
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  void OffsetBounds(Integer dx, Integer dy) override;
  // Places the band: its cell, its header, then its rows or its child bands.
  void CalculateInRect(const TRect& r) override;
  void CalculateChildBandWidths();
  bool IsSeparatorBand();
  // Finds the drop band for a dragged band at the point (this band or a child).
  bool FindDropBand(const TPoint& p, TcxGridBand*& band, Integer& zone);

 private:
  TcxGridBandsViewInfo* bands_;
  Integer visibleIndex_, bottomIndex_;
  TcxGridBand* band_;
  TcxGridBandHeaderViewInfo* header_ = nullptr;
  TcxGridBandRowsViewInfo* rows_ = nullptr;
  std::vector<TcxGridBandedColumnHeaderViewInfo*> columnHeaders_;
  Integer displayWidth_ = -1, minContentWidth_ = -1, maxWidth_ = -1;
  Integer separator_ = -1;
};

// The layout of all bands.
class TcxGridBandsViewInfo : public TObject {
  KORVAN_CLASS(TcxGridBandsViewInfo, TObject)

 public:
  explicit TcxGridBandsViewInfo(TcxGridBandedHeaderViewInfo* header);
  ~TcxGridBandsViewInfo() override;
  TcxGridBandedHeaderViewInfo* HeaderViewInfo() const { return header_; }
  TcxGridBandedTableView* GridBandedView() const;
  TcxGridBands* Bands() const;
  Integer Count() const { return Integer(items_.size()); }
  TcxGridBandViewInfo* GetItem(Integer visibleIndex);
  TcxGridBandViewInfo* GetBottomBandViewInfo(Integer index);
  Integer GetBottomBandViewInfoCount() const;
  TcxGridBandViewInfo* GetVisibleRootBandViewInfo(Integer index);
  Integer GetVisibleRootBandViewInfoCount() const;
  Integer GetLineCount();
  Integer GetRowCount();
  Integer GetBandHeaderRowCount();
  Integer GetBandHeaderRowHeight(Integer level);
  Integer GetBandHeadersAreaHeight();
  Integer GetColumnHeadersAreaHeight();
  // The band view info carrying the fixed band separator of a kind at a level (null: none).
  TcxGridBandViewInfo* GetSeparatorBandViewInfo(TcxGridBandFixedKind kind, Integer level);
  void FindDropBand(const TPoint& p, TcxGridBand*& band, Integer& zone);
  // The root bands' auto widths (ColumnAutoWidth).
  void CalculateAutoWidths();
  Integer DisplayWidth();
  void Calculate();
  TcxCustomGridHitTest* GetHitTest(const TPoint& p);
  void OffsetBounds(Integer dx, Integer dy);
  void Paint(TcxCanvas* canvas);
  // Fills a rectangle with the view's BandHeader bitmap (false: no bitmap).
  bool DrawBackgroundBitmap(TcxCanvas* canvas, const TRect& r, Integer bitmapIndex);

 private:
  void CalculateBandHeaderRowHeights();
  TcxGridBandedHeaderViewInfo* header_;
  std::vector<TcxGridBandViewInfo*> items_;
  std::vector<Integer> rowHeights_;
  Integer areaHeight_ = -1, lineCount_ = -1, rowCount_ = -1;
};

// Banded column headers: one line per band row line, stacked.
class TcxGridBandedHeaderViewInfoSpecific : public TcxGridHeaderViewInfoSpecific {
  KORVAN_CLASS(TcxGridBandedHeaderViewInfoSpecific, TcxGridHeaderViewInfoSpecific)

 public:
  using TcxGridHeaderViewInfoSpecific::TcxGridHeaderViewInfoSpecific;
  // The column headers area: the line height times the bands' line count.
  Integer Height() override;
};

class TcxGridBandedHeaderViewInfo : public TcxGridHeaderViewInfo {
  KORVAN_CLASS(TcxGridBandedHeaderViewInfo, TcxGridHeaderViewInfo)

 public:
  explicit TcxGridBandedHeaderViewInfo(TcxCustomGridViewInfo* gridViewInfo);
  ~TcxGridBandedHeaderViewInfo() override;
  TcxGridBandsViewInfo* GetBandsViewInfo() const { return bands_; }
  TcxGridBandedTableView* GridBandedView() const;
  // The column header of a visible column (null when it has none).
  TcxGridBandedColumnHeaderViewInfo* ColumnHeader(Integer visibleIndex);

  Integer CalculateHeight() override;
  bool IsPartVisible() override;
  bool ScrollsHorizontally() override;
  // With fixed bands the header spans the client width (right-fixed bands sit at its right).
  Integer CalculateWidth() override;
  void CalculateItems() override;
  void CalculateHidden() override;
  bool IsItemHeightFixed(TcxGridColumn* column) override;
  Integer GetLineCount() override { return std::max<Integer>(bands_->GetLineCount(), 1); }
  // Only a single line of headers keeps a set height.
  bool HasFixedHeight() override { return TcxGridHeaderViewInfo::HasFixedHeight() && GetLineCount() < 2; }
  TRect GetItemsAreaBounds() override;
  TcxCustomGridHitTest* GetItemHitTest(const TPoint& p) override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  TcxNeighbors GetNeighbours(TcxGridColumn* column) override;
  void OffsetBounds(Integer dx, Integer dy) override;
  void ResetCalculated() override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  void CheckAutoWidths() override;
  Integer DisplayWidth() override;
  // The banded drop zone of a dragged column at the point (owned by the caller), or null.
  TcxGridItemContainerZone* GetBandedDropZone(const TPoint& p);

 protected:
  TcxGridColumnHeaderViewInfo* CreateItemViewInfo(TcxGridColumn* column) override;

 private:
  TcxGridBandsViewInfo* bands_;
};

// Where a dragged column would go in a banded header: before the visible column ColIndex of
// the visible band row RowIndex of Band; ItemIndex -1 for a new band row at RowIndex.
class TcxGridBandedColumnContainerZone : public TcxGridItemContainerZone {
 public:
  TcxGridBandedColumnContainerZone(Integer itemIndex, TcxGridBand* band, Integer colIndex, Integer rowIndex)
      : TcxGridItemContainerZone(itemIndex), Band(band), ColIndex(colIndex), RowIndex(rowIndex) {}
  bool IsSameZone(const TcxGridItemContainerZone* zone) const override;
  TcxGridBand* Band;
  Integer ColIndex, RowIndex;
};

// ---- data rows, footer, indicator ----------------------------------------------------------------

// The footer keeps its cells under the column headers, in the lines of their band rows: with
// fixed bands it does not scroll as a whole and spans the client width; scrollable cells stay
// between the fixed bands.
class TcxGridBandedFooterViewInfo : public TcxGridFooterViewInfo {
  KORVAN_CLASS(TcxGridBandedFooterViewInfo, TcxGridFooterViewInfo)

 public:
  using TcxGridFooterViewInfo::TcxGridFooterViewInfo;
  bool ScrollsHorizontally() override;
  Integer CalculateWidth() override;
  // A cell of a column spanning several lines wraps its text.
  bool IsItemHeightFixed(TcxGridColumn* column) override;
};

// The footer and the group footers: left-fixed cells, then right-fixed ones clipped off the
// left-fixed area, then scrollable ones clipped off both fixed areas.
class TcxGridBandedFooterPainter : public TcxGridFooterPainter {
  KORVAN_CLASS(TcxGridBandedFooterPainter, TcxGridFooterPainter)

 public:
  using TcxGridFooterPainter::TcxGridFooterPainter;
  void DrawItems() override;
};

// Beside the band headers: opens the bands quick customization popup.
class TcxGridIndicatorBandHeaderItemViewInfo : public TcxGridIndicatorHeaderItemViewInfo {
  KORVAN_CLASS(TcxGridIndicatorBandHeaderItemViewInfo, TcxGridIndicatorHeaderItemViewInfo)

 public:
  using TcxGridIndicatorHeaderItemViewInfo::TcxGridIndicatorHeaderItemViewInfo;
  TcxGridBandedTableView* GridBandedView() const { return static_cast<TcxGridBandedTableView*>(GridView()); }
  void GetViewParams(TcxStyleParams& params) override;
  TBitmap* GetBackgroundBitmap() override;
  bool IsHotTrackable() override;
  bool HasHint() override { return IsHotTrackable(); }
  String GetHintText() override;
  bool HasPopup() override { return IsHotTrackable(); }
  IcxCustomGridPopup* GetPopup() override;
  void ShowPopup() override;
  bool ShowsQuickCustomizationGlyph() override { return IsHotTrackable(); }
};

// Also shown for the bands quick customization; with band headers its header item splits in
// a band header item over a column header item.
class TcxGridBandedIndicatorViewInfo : public TcxGridIndicatorViewInfo {
  KORVAN_CLASS(TcxGridBandedIndicatorViewInfo, TcxGridIndicatorViewInfo)

 public:
  using TcxGridIndicatorViewInfo::TcxGridIndicatorViewInfo;
  TcxGridIndicatorBandHeaderItemViewInfo* BandHeaderItem() const { return bandItem_; }
  bool IsIndicatorVisible() override;
  void CalculateAt(Integer left, Integer top, Integer width = -1, Integer height = -1) override;

 private:
  TcxGridIndicatorBandHeaderItemViewInfo* bandItem_ = nullptr;
};

class TcxGridBandedDataRowCellsAreaViewInfo;

class TcxGridBandedRowsViewInfo : public TcxGridRowsViewInfo {
  KORVAN_CLASS(TcxGridBandedRowsViewInfo, TcxGridRowsViewInfo)

 public:
  using TcxGridRowsViewInfo::TcxGridRowsViewInfo;
  // One line of a record (the data row height of a single-line view).
  Integer LineHeight() const { return lineHeight_; }
  Integer CalculateDataRowHeight() override;
  Integer GetRowsWidth() override;
  // Whether data rows show a background cell per bottom band (lines inside records, fixed or
  // nested or empty bands, bands whose columns all keep their widths). Read once per rows view
  // info.
  bool NeedsBandCells();
  // The band background cells of a calculated data row, made for the caller (one paint or
  // query); null when the rows need none.
  std::unique_ptr<TcxGridBandedDataRowCellsAreaViewInfo> CreateCellsArea(TcxGridDataRowViewInfo* row);
  // With left-fixed bands the rows start at the client's left edge (they do not scroll).
  void GetDefaultBounds(TRect& r) override;
  TClass GetPainterClass() override;

 private:
  Integer lineHeight_ = 0;
  Integer needsBandCells_ = -1;
};

// The background cell of one bottom band in one data row: the band's content colour where the
// row's cells leave room, the grid lines between the band rows and between the columns of a
// band row, and the fixed band separator through the record.
class TcxGridBandedDataRowCellsAreaItemViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxGridBandedDataRowCellsAreaItemViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  TcxGridBandedDataRowCellsAreaItemViewInfo(TcxGridBandedDataRowCellsAreaViewInfo* area, TcxGridBandViewInfo* band);
  TcxGridBandViewInfo* BandViewInfo() const { return band_; }
  TcxGridDataRowViewInfo* RowViewInfo() const;
  const std::vector<TRect>& LineBounds() const { return lines_; }
  // bLeft or bRight when the band carries a fixed band separator; bTop means none.
  TcxBorder SeparatorSide() const { return separatorSide_; }
  bool HasSeparator() const { return hasSeparator_; }
  TRect SeparatorBounds();

  void CalculateInRect(const TRect& r) override;
  void OffsetBounds(Integer dx, Integer dy) override;
  void GetViewParams(TcxStyleParams& params) override;
  TBitmap* GetBackgroundBitmap() override { return nullptr; }
  TRect GetAreaClipBounds() override { return band_->GetAreaClipBounds(); }
  TClass GetHitTestClass() override { return TcxGridBandHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  bool HasCustomDrawBackground() override;
  bool CustomDrawBackground(TcxCanvas* canvas) override;

 private:
  void CalculateLines();
  TcxGridBandedDataRowCellsAreaViewInfo* area_;
  TcxGridBandViewInfo* band_;
  std::vector<TRect> lines_;
  TcxBorder separatorSide_ = bTop;
  bool hasSeparator_ = false;
};

// The cells area of a data row: one background cell per bottom band, in bottom band order.
class TcxGridBandedDataRowCellsAreaViewInfo : public TObject {
  KORVAN_CLASS(TcxGridBandedDataRowCellsAreaViewInfo, TObject)

 public:
  explicit TcxGridBandedDataRowCellsAreaViewInfo(TcxGridDataRowViewInfo* row);
  ~TcxGridBandedDataRowCellsAreaViewInfo() override;
  TcxGridDataRowViewInfo* RowViewInfo() const { return row_; }
  Integer Count() const { return Integer(items_.size()); }
  TcxGridBandedDataRowCellsAreaItemViewInfo* Items(Integer i) const { return items_.at(size_t(i)); }
  // The item of a bottom band (by its bottom index).
  TcxGridBandedDataRowCellsAreaItemViewInfo* ItemOfBand(TcxGridBandViewInfo* band) const;
  void Calculate(const TRect& bounds);
  TRect Bounds;

 private:
  TcxGridDataRowViewInfo* row_;
  std::vector<TcxGridBandedDataRowCellsAreaItemViewInfo*> items_;
};

class TcxGridBandedTableViewInfo : public TcxGridTableViewInfo {
  KORVAN_CLASS(TcxGridBandedTableViewInfo, TcxGridTableViewInfo)

 public:
  explicit TcxGridBandedTableViewInfo(TcxCustomGridView* v) : TcxGridTableViewInfo(v) {}
  TcxGridBandedTableView* GridBandedView() const;
  TcxGridBandedHeaderViewInfo* GetHeaderViewInfo() const {
    return static_cast<TcxGridBandedHeaderViewInfo*>(HeaderViewInfo());
  }
  TcxGridBandsViewInfo* GetBandsViewInfo() const { return GetHeaderViewInfo()->GetBandsViewInfo(); }
  TColor GetFixedBandSeparatorColor();
  Integer GetFixedBandSeparatorWidth();
  TClass GetHeaderViewInfoClass() override { return TcxGridBandedHeaderViewInfo::StaticClass(); }
  TClass GetHeaderViewInfoSpecificClass() override { return TcxGridBandedHeaderViewInfoSpecific::StaticClass(); }
  TClass GetRecordsViewInfoClass() override { return TcxGridBandedRowsViewInfo::StaticClass(); }
  TClass GetIndicatorViewInfoClass() override { return TcxGridBandedIndicatorViewInfo::StaticClass(); }
  TClass GetFooterViewInfoClass() override { return TcxGridBandedFooterViewInfo::StaticClass(); }
  TcxCustomGridCellPainterClass GetFooterPainterClass() override;
  // Row height options apply only to records of one line.
  bool SupportsRowHeightOptions() override;
  void GetHorzScrollArea(TRect& r) override;
  Integer CalculateDataWidth() override;
  // Data cells of banded columns: their height spans the column's lines, their top is the
  // line offset of the band row.
  Integer GetCellHeight(Integer visibleIndex, Integer cellHeight) override;
  Integer GetCellTopOffset(Integer visibleIndex, Integer cellHeight) override;
  // Cells of scrollable bands stay between the fixed bands.
  TRect GetCellClipArea(Integer visibleIndex) override;
};

// Band headers and columns band by band (left-fixed, right-fixed, then scrollable).
class TcxGridBandedHeaderPainter : public TcxGridColumnContainerPainter {
  KORVAN_CLASS(TcxGridBandedHeaderPainter, TcxGridColumnContainerPainter)

 public:
  using TcxGridColumnContainerPainter::TcxGridColumnContainerPainter;
  void DrawItems() override;
};

// A band: its header, its column headers or child bands, then its background.
class TcxGridBandPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridBandPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override;
  void DrawBorders() override;
};

class TcxGridBandHeaderPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridBandHeaderPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override;
  void DrawBorders() override {}
  bool ExcludeFromClipping() override { return true; }
};

class TcxGridBandedDataRowCellsAreaItemPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridBandedDataRowCellsAreaItemPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override;
};

class TcxGridBandedRowsPainter : public TcxGridRowsPainter {
  KORVAN_CLASS(TcxGridBandedRowsPainter, TcxGridRowsPainter)

 public:
  using TcxGridRowsPainter::TcxGridRowsPainter;
  void Paint() override;
};

// ---- the controller ------------------------------------------------------------------------------

class TcxGridBandedTableController : public TcxGridTableController {
  KORVAN_CLASS(TcxGridBandedTableController, TcxGridTableController)

 public:
  explicit TcxGridBandedTableController(TcxCustomGridView* v) : TcxGridTableController(v) {}
  ~TcxGridBandedTableController() override;
  TcxGridBandedTableView* GridBandedView() const;
  TcxGridBand* ForcingWidthBand = nullptr;
  TcxGridBand* MovingBand = nullptr;
  TcxGridBand* SizingBand = nullptr;
  TcxGridBandedColumn* VertSizingColumn = nullptr;
  TcxGridBand* PressedBand() const { return pressedBand_; }
  void SetPressedBand(TcxGridBand* band);
  TcxGridBandsCustomizationPopup* GetBandsCustomizationPopup();
  bool HasBandsCustomizationPopup() const { return bandsPopup_ != nullptr; }
  virtual TClass GetBandsCustomizationPopupClass();

  void CancelMode() override;
  void EndDragAndDrop(bool accepted) override;
  void HandleKeyDown(Word& key, TShiftState shift) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  Integer FindNextItem(Integer index, bool forward, bool cycle, bool& cycled, TcxCustomGridRecord* record) override;
  bool IsColumnLeftOfSizing(const TcxGridColumn* column) const override;
  bool IsCellMultiSelect() const override;
  TClass GetCustomizationFormClass() override;
  void LeftPosChanged() override;
  // Reading order from a column (null: from the start) forward or backward.
  void GetColumnsInReadingOrder(TcxGridBandedColumn* start, bool forward, std::vector<TcxGridBandedColumn*>& list);
  bool IsBandLeftOfForcingWidth(const TcxGridBand* band) const;
  bool IsBandsPopupVisible() const;
  TcxDragAndDropObjectClass GetColumnHeaderMovingObjectClass() override;
  Integer FindNextVerticalItem(Integer index, bool down, bool cycle);
  bool FocusNextVerticalItem(Integer index, bool down, bool cycle);

 private:
  void FreeBandsPopup();
  TcxGridBand* pressedBand_ = nullptr;
  TcxGridBandsCustomizationPopup* bandsPopup_ = nullptr;
};

class TcxGridBandedTablePainter : public TcxGridTablePainter {
  KORVAN_CLASS(TcxGridBandedTablePainter, TcxGridTablePainter)

 public:
  using TcxGridTablePainter::TcxGridTablePainter;
  bool CanScrollWindow() override;
};

// Unit start of the layout: the painters of the banded cells (made per paint call and freed).
void RegisterGridBandedTableViewInfoPainters();
