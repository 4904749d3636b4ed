#include "gridviews/cxGridTableViewInfo.h"

#include <algorithm>
#include <memory>

#include "data/cxCustomData.h"
#include "data/cxCustomDataInternal.h"
#include "foundation/cxLookAndFeelPainters.h"

using cxdata_internal::Finally;

namespace {

const TcxResourceStringRec scxGridGroupByBoxCaption{"scxGridGroupByBoxCaption",
                                                     "Drag a column header here to group by that column"};

TcxCanvas* MeasuringCanvas(TcxCustomGridViewInfo* viewInfo) { return GridTableMeasuringCanvas(viewInfo); }

// Native headers hot-track; the drawn looks paint their header cells before the background.
bool IsHeaderHotTrack(TcxCustomLookAndFeelPainterClass painter) { return painter->PainterStyle() == lfsNative; }

}  // namespace

String GridGroupByBoxCaption() { return LoadReplaceableResString(scxGridGroupByBoxCaption); }

KORVAN_IMPLEMENT_CLASS(TcxGridColumnHeaderAreaViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnHeaderHorzSizingEdgeViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnHeaderFilterButtonViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnHeaderSortingMarkViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnHeaderGlyphViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnHeaderViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridGroupByBoxColumnHeaderViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnContainerViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridHeaderViewInfoSpecific)
KORVAN_IMPLEMENT_CLASS(TcxGridHeaderViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridGroupByBoxViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnContainerPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridGroupByBoxPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnHeaderPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnHeaderFilterButtonPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnHeaderSortingMarkPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnHeaderGlyphPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridTableViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridTablePainter)

// ---- areas ------------------------------------------------------------------------------------------------

TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo(TcxGridColumnHeaderViewInfo* columnHeader)
    : TcxCustomGridViewCellViewInfo(columnHeader->GridViewInfo()), columnHeader_(columnHeader) {}

TcxGridColumn* TcxGridColumnHeaderAreaViewInfo::Column() const { return columnHeader_->Column(); }

TRect TcxGridColumnHeaderAreaViewInfo::GetAreaClipBounds() { return columnHeader_->GetAreaClipBounds(); }

TcxCanvas* TcxGridColumnHeaderAreaViewInfo::GetCanvas() { return columnHeader_->GetCanvas(); }

TcxCanvas* TcxGridColumnHeaderViewInfo::GetCanvas() { return MeasuringCanvas(GridViewInfo()); }

void TcxGridColumnHeaderAreaViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  columnHeader_->InitHitTest(hitTest);
  TcxCustomGridViewCellViewInfo::InitHitTest(hitTest);
}

void TcxGridColumnHeaderAreaViewInfo::Place(const TRect& whole, TRect& textArea) {
  const bool occupies = OccupiesSpace();
  const TRect area = occupies ? textArea : whole;
  const Integer w = CalculateWidth(), h = CalculateHeight();
  TRect r = area;
  if (w != 0) {
    switch (GetAlignmentHorz()) {
      case taLeftJustify:
        r.Right = r.Left + w;
        if (occupies) textArea.Left = r.Right;
        break;
      case taRightJustify:
        r.Left = r.Right - w;
        if (occupies) textArea.Right = r.Left;
        break;
      case taCenter: {
        const TcxGridColumnHeaderViewInfo* header = columnHeader_;
        if (occupies && const_cast<TcxGridColumnHeaderViewInfo*>(header)->AlignmentHorz == taCenter) {
          // The area and a centred caption are centred together.
          const Integer t = const_cast<TcxGridColumnHeaderViewInfo*>(header)->CalculateTextWidth() + 4;
          if (w + t < area.Width()) r.Left = area.Left + (area.Width() - w - t) / 2;
          r.Right = r.Left + w;
          textArea = TRect(r.Right, textArea.Top, std::min(textArea.Right, r.Right + t), textArea.Bottom);
        } else {
          r.Left = area.Left + (area.Width() - w) / 2;
          r.Right = r.Left + w;
        }
        break;
      }
    }
  }
  if (h != 0) {
    switch (GetAlignmentVert()) {
      case vaTop: r.Bottom = r.Top + h; break;
      case vaBottom: r.Top = r.Bottom - h; break;
      case vaCenter:
        r.Top = area.Top + (area.Height() - h) / 2;
        r.Bottom = r.Top + h;
        break;
    }
  }
  CalculateInRect(r);
}

void TcxGridColumnHeaderHorzSizingEdgeViewInfo::Place(const TRect& whole, TRect& textArea) {
  const Integer w = CalculateWidth();
  CalculateInRect(TRect(whole.Right - w + w / 2, whole.Top, whole.Right + w / 2, whole.Bottom));
}

bool TcxGridColumnHeaderHorzSizingEdgeViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button,
                                                          TShiftState shift) {
  if (button == mbLeft && shift.Contains(ssDouble)) {
    Column()->ApplyBestFit(true, true);
    return true;
  }
  return TcxGridColumnHeaderAreaViewInfo::MouseDown(hitTest, button, shift);
}

Integer TcxGridColumnHeaderFilterButtonViewInfo::CalculateWidth() {
  return GridViewInfo()->GetLookAndFeelPainter()->FilterDropDownButtonExtent().X;
}

Integer TcxGridColumnHeaderFilterButtonViewInfo::CalculateHeight() {
  return GridViewInfo()->GetLookAndFeelPainter()->FilterDropDownButtonExtent().Y;
}

TcxCustomGridCellPainterClass TcxGridColumnHeaderFilterButtonViewInfo::GetPainterClass() {
  return TcxGridColumnHeaderFilterButtonPainter::StaticClass();
}

bool TcxGridColumnHeaderFilterButtonViewInfo::Active() {
  TcxCustomDataController* dc = Column()->GridView()->DataController();
  return dc && dc->Filter() && dc->Filter()->Active() && dc->Filter()->ItemByItemLink(Column()) != nullptr;
}

Integer TcxGridColumnHeaderSortingMarkViewInfo::CalculateWidth() {
  return GridViewInfo()->GetLookAndFeelPainter()->SortMarkAreaSize().X;
}

Integer TcxGridColumnHeaderSortingMarkViewInfo::CalculateHeight() {
  return GridViewInfo()->GetLookAndFeelPainter()->SortMarkAreaSize().Y;
}

TcxCustomGridCellPainterClass TcxGridColumnHeaderSortingMarkViewInfo::GetPainterClass() {
  return TcxGridColumnHeaderSortingMarkPainter::StaticClass();
}

bool TcxGridColumnHeaderSortingMarkViewInfo::Ascending() { return Column()->SortOrder() == soAscending; }

Integer TcxGridColumnHeaderGlyphViewInfo::CalculateWidth() { return Column()->HeaderGlyph()->Width(); }

Integer TcxGridColumnHeaderGlyphViewInfo::CalculateHeight() { return Column()->HeaderGlyph()->Height(); }

TAlignment TcxGridColumnHeaderGlyphViewInfo::GetAlignmentHorz() { return Column()->HeaderGlyphAlignmentHorz(); }

TcxAlignmentVert TcxGridColumnHeaderGlyphViewInfo::GetAlignmentVert() {
  return Column()->HeaderGlyphAlignmentVert();
}

TcxCustomGridCellPainterClass TcxGridColumnHeaderGlyphViewInfo::GetPainterClass() {
  return TcxGridColumnHeaderGlyphPainter::StaticClass();
}

// ---- column headers ------------------------------------------------------------------------------------------

TcxGridColumnHeaderViewInfo::TcxGridColumnHeaderViewInfo(TcxGridColumnContainerViewInfo* container,
                                                         TcxGridColumn* column)
    : TcxCustomGridViewCellViewInfo(container->GridViewInfo()), container_(container), column_(column) {}

TcxGridColumnHeaderViewInfo::~TcxGridColumnHeaderViewInfo() {
  for (TcxGridColumnHeaderAreaViewInfo* area : areas_) delete area;
}

TcxGridTableView* TcxGridColumnHeaderViewInfo::TableView() const { return container_->TableView(); }

Integer TcxGridColumnHeaderViewInfo::RealWidth() {
  if (realWidth_ == 0) realWidth_ = GetDisplayWidth() - container_->GetColumnIndent(column_);
  return realWidth_;
}

void TcxGridColumnHeaderViewInfo::CreateAreaViewInfos() {
  if (HasSizingEdge()) areas_.push_back(new TcxGridColumnHeaderHorzSizingEdgeViewInfo(this));
  if (HasFilterButton()) areas_.push_back(new TcxGridColumnHeaderFilterButtonViewInfo(this));
  if (HasSortingMark()) areas_.push_back(new TcxGridColumnHeaderSortingMarkViewInfo(this));
  if (HasGlyph()) areas_.push_back(new TcxGridColumnHeaderGlyphViewInfo(this));
}

bool TcxGridColumnHeaderViewInfo::HasSizingEdge() { return column_->CanHorzSize() && container_->GetContainerKind() == 2; }

bool TcxGridColumnHeaderViewInfo::HasFilterButton() { return column_->CanFilter(true); }

bool TcxGridColumnHeaderViewInfo::HasSortingMark() { return column_->SortOrder() != soNone; }

bool TcxGridColumnHeaderViewInfo::HasGlyph() { return !column_->HeaderGlyph()->Empty(); }

Integer TcxGridColumnHeaderViewInfo::GetCellFrameWidth() { return GridViewInfo()->GetLookAndFeelPainter()->HeaderFrameWidth(); }

Integer TcxGridColumnHeaderViewInfo::CalculateHeight() {
  EnsureTextAndParams();
  TcxCanvas* canvas = MeasuringCanvas(GridViewInfo());
  Integer textHeight;
  if (MultiLine()) {
    // The caption wrapped in the room the header leaves it.
    Integer w = CalculateWidth() - 2 * GetCellFrameWidth() - 4 - (hasLeftArea_ ? 2 : 0) - (hasRightArea_ ? 2 : 0);
    for (TcxGridColumnHeaderAreaViewInfo* area : areas_)
      if (area->OccupiesSpace()) w -= area->CalculateWidth();
    TRect r(0, 0, std::max<Integer>(w, 1), 0);
    if (Params.Font) canvas->ApplyFont(Params.Font);
    canvas->MeasureTextRect(Text, r, (GetTextAttributes(false) & ~ctfVertMask) | ctfTop);
    textHeight = r.Height();
  } else {
    textHeight = canvas->MeasureFontHeight(Params.Font);
  }
  return HeightForText(textHeight, GetCellFrameWidth());
}

Integer TcxGridColumnHeaderViewInfo::CalculateWidth() {
  if (widthCache_ == -1) widthCache_ = container_->GetColumnWidth(column_);
  return widthCache_;
}

void TcxGridColumnHeaderViewInfo::SetBoundsWidth(Integer w) {
  TcxCustomGridViewCellViewInfo::SetBoundsWidth(w);
  if (widthCache_ != w) {
    widthCache_ = w;
    realWidth_ = 0;
    if (auto* header = dynamic_cast<TcxGridHeaderViewInfo*>(container_)) header->WidthsChanged();
  }
}

bool TcxGridColumnHeaderViewInfo::CustomDraw(TcxCanvas* canvas) {
  bool done = false;
  column_->DoCustomDrawHeader(canvas, this, done);
  if (!done) TableView()->DoCustomDrawColumnHeader(canvas, this, done);
  return done;
}

bool TcxGridColumnHeaderViewInfo::HasCustomDraw() {
  return bool(column_->OnCustomDrawHeader) || TableView()->HasCustomDrawColumnHeader();
}

void TcxGridColumnHeaderViewInfo::CalculateTextAndParams() {
  neighbours_ = container_->GetNeighbours(column_);
  hasLeftArea_ = hasRightArea_ = false;
  for (TcxGridColumnHeaderAreaViewInfo* area : areas_) {
    if (!area->OccupiesSpace()) continue;
    if (area->GetAlignmentHorz() == taLeftJustify) hasLeftArea_ = true;
    if (area->GetAlignmentHorz() == taRightJustify) hasRightArea_ = true;
  }
  TcxCustomGridViewCellViewInfo::CalculateTextAndParams();
}

TAlignment TcxGridColumnHeaderViewInfo::GetAlignmentHorz() { return column_->HeaderAlignmentHorz(); }

TcxAlignmentVert TcxGridColumnHeaderViewInfo::GetAlignmentVert() { return column_->HeaderAlignmentVert(); }

TRect TcxGridColumnHeaderViewInfo::GetAreaClipBounds() { return container_->GetItemClipArea(); }

TBitmap* TcxGridColumnHeaderViewInfo::GetBackgroundBitmap() {
  TBitmap* b = TableView()->GetBackgroundBitmaps()->GetBitmap(TcxGridTableBackgroundBitmaps::bbHeader);
  return b && !b->Empty() ? b : nullptr;
}

TcxBorders TcxGridColumnHeaderViewInfo::GetBorders() {
  return GridViewInfo()->GetLookAndFeelPainter()->HeaderFrameSides(neighbours_);
}

bool TcxGridColumnHeaderViewInfo::IsHotTrackable() { return IsHeaderHotTrack(GridViewInfo()->GetLookAndFeelPainter()); }

bool TcxGridColumnHeaderViewInfo::CalculateMultiLine() { return container_->IsMultiLine(); }

bool TcxGridColumnHeaderViewInfo::CalculateMultiLinePainting() {
  return TcxCustomGridViewCellViewInfo::CalculateMultiLinePainting() || container_->IsItemHeightFixed(column_);
}

TcxCustomGridCellPainterClass TcxGridColumnHeaderViewInfo::GetPainterClass() {
  return TcxGridColumnHeaderPainter::StaticClass();
}

bool TcxGridColumnHeaderViewInfo::ShowEndEllipsis() { return TableView()->GetOptionsView()->HeaderEndEllipsis(); }

String TcxGridColumnHeaderViewInfo::GetText() { return column_->Caption(); }

void TcxGridColumnHeaderViewInfo::GetViewParams(TcxStyleParams& params) {
  column_->GetStyles()->GetHeaderParams(params);
}

void TcxGridColumnHeaderViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  container_->InitHitTest(hitTest);
  TcxCustomGridViewCellViewInfo::InitHitTest(hitTest);
  if (auto* h = dynamic_cast<TcxCustomGridColumnHitTest*>(hitTest)) h->Column = column_;
}

void TcxGridColumnHeaderViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxCustomGridViewCellViewInfo::OffsetBounds(dx, dy);
  textArea_ = ShiftedRect(textArea_, dx, dy);
  for (TcxGridColumnHeaderAreaViewInfo* area : areas_) area->OffsetBounds(dx, dy);
}

bool TcxGridColumnHeaderViewInfo::CheckVisibility(Integer left, Integer width) {
  const TRect client = GridViewInfo()->ClientBounds();
  return left < client.Right && client.Left < left + width;
}

void TcxGridColumnHeaderViewInfo::CalculateAt(Integer left, Integer top, Integer width, Integer height) {
  EnsureTextAndParams();
  overlap_ = 0;
  if (width == -1) width = CalculateWidth();
  if (height == -1) height = CalculateHeight();
  Visible = CheckVisibility(left, width);
  // A header without a left (top) border shares its neighbour's: it grows over it.
  const bool sharesBorders = Borders != cxBordersAll;
  if (sharesBorders) {
    if (!Borders.Contains(bLeft)) {
      const Integer w = GetBorderWidth(bLeft);
      left -= w;
      width += w;
      overlap_ += w;
    }
    if (!Borders.Contains(bTop)) {
      const Integer w = GetBorderWidth(bTop);
      top -= w;
      height += w;
    }
  }
  TcxCustomGridViewCellViewInfo::CalculateAt(left, top, width, height);
  if (sharesBorders) {
    Borders = cxBordersAll;
    AfterCalculateBounds();
  }
  realWidth_ = 0;
  CalculateAreas();
}

void TcxGridColumnHeaderViewInfo::CalculateAreas() {
  textArea_ = GrowRect(ContentBounds(), -2, -2);
  for (TcxGridColumnHeaderAreaViewInfo* area : areas_) area->Place(Bounds, textArea_);
  if (hasLeftArea_) textArea_.Left += 2;
  if (hasRightArea_) textArea_.Right -= 2;
}

Integer TcxGridColumnHeaderViewInfo::GetPreferredWidth() {
  EnsureTextAndParams();
  Integer result = TcxCustomGridViewCellViewInfo::GetPreferredWidth() - overlap_;
  if (hasLeftArea_) result += 2;
  if (hasRightArea_) result += 2;
  for (TcxGridColumnHeaderAreaViewInfo* area : areas_)
    if (area->OccupiesSpace()) result += area->CalculateWidth();
  return result;
}

TcxCustomGridHitTest* TcxGridColumnHeaderViewInfo::GetHitTest(const TPoint& p) {
  if (!IsVisibleForHitTest()) return nullptr;
  for (TcxGridColumnHeaderAreaViewInfo* area : areas_)
    if (TcxCustomGridHitTest* h = area->GetHitTest(p)) return h;
  return TcxCustomGridViewCellViewInfo::GetHitTest(p);
}

bool TcxGridColumnHeaderViewInfo::IsPressed() {
  if (State() == gcsPressed) return true;
  auto* controller = dynamic_cast<TcxGridTableController*>(Controller());
  return controller && controller->PressedColumn() == column_;
}

bool TcxGridColumnHeaderViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  bool result = TcxCustomGridViewCellViewInfo::MouseDown(hitTest, button, shift);
  if (button == mbLeft && !shift.Contains(ssDouble) && CanPress()) {
    if (auto* controller = dynamic_cast<TcxGridTableController*>(Controller())) {
      controller->SetPressedColumn(column_);
      column_->DoHeaderClick();
      result = true;
    }
  }
  return result;
}

bool TcxGridColumnHeaderViewInfo::HasHint() { return TableView()->GetOptionsBehavior()->ColumnHeaderHints(); }

Integer TcxGridColumnHeaderViewInfo::GetMinWidth() {
  if (column_->KeepsWidthInAutoWidth()) return CalculateWidth();
  return container_->GetColumnMinWidth(column_);
}

Integer TcxGridColumnHeaderViewInfo::GetMaxWidth() {
  auto* header = dynamic_cast<TcxGridHeaderViewInfo*>(container_);
  if (!header || !header->IsAutoWidth()) return cxGridMaxColumnWidth;
  for (Integer i = 0; i < header->GetItemViewInfoCount(); ++i)
    if (header->ExistingItemViewInfo(i) == this) return std::max(header->GetAutoWidthMaxWidth(i), GetMinWidth());
  return cxGridMaxColumnWidth;
}

void TcxGridColumnHeaderViewInfo::CheckWidth(Integer& width) {
  width = std::max(std::min(width, GetMaxWidth()), GetMinWidth());
}

Integer TcxGridGroupByBoxColumnHeaderViewInfo::CalculateHeight() { return Container()->GetItemHeight(); }

// ---- column containers ---------------------------------------------------------------------------------------

TcxGridColumnContainerViewInfo::TcxGridColumnContainerViewInfo(TcxCustomGridViewInfo* gridViewInfo)
    : TcxCustomGridPartViewInfo(gridViewInfo) {}

TcxGridColumnContainerViewInfo::~TcxGridColumnContainerViewInfo() {
  for (TcxGridColumnHeaderViewInfo* item : items_) delete item;
}

TcxGridTableViewInfo* TcxGridColumnContainerViewInfo::TableViewInfo() const {
  return static_cast<TcxGridTableViewInfo*>(GridViewInfo());
}

TcxGridTableView* TcxGridColumnContainerViewInfo::TableView() const {
  return static_cast<TcxGridTableView*>(GridView());
}

TcxCanvas* TcxGridColumnContainerViewInfo::GetCanvas() { return MeasuringCanvas(GridViewInfo()); }

void TcxGridColumnContainerViewInfo::InitItems() {
  for (TcxGridColumnHeaderViewInfo* item : items_) delete item;
  items_.assign(size_t(std::max<Integer>(GetItemCount(), 0)), nullptr);
  itemHeight_ = -1;
}

TcxGridColumnHeaderViewInfo* TcxGridColumnContainerViewInfo::CreateItemViewInfo(TcxGridColumn* column) {
  return new TcxGridColumnHeaderViewInfo(this, column);
}

TcxGridColumnHeaderViewInfo* TcxGridColumnContainerViewInfo::GetItemViewInfo(Integer index) {
  TcxGridColumnHeaderViewInfo*& item = items_.at(size_t(index));
  if (!item) {
    item = CreateItemViewInfo(GetItem(index));
    item->CreateAreaViewInfos();
  }
  return item;
}

Integer TcxGridColumnContainerViewInfo::GetItemHeight() {
  if (itemHeight_ == -1) itemHeight_ = CalculateItemHeight();
  return itemHeight_;
}

Integer TcxGridColumnContainerViewInfo::CalculateItemHeight() {
  EnsureTextAndParams();
  return TcxGridColumnHeaderViewInfo::HeightForText(GetCanvas()->MeasureFontHeight(Params.Font),
                                                    GridViewInfo()->GetLookAndFeelPainter()->HeaderFrameWidth());
}

Integer TcxGridColumnContainerViewInfo::GetColumnIndent(TcxGridColumn* column) {
  return column->IsLeftmostInView() ? TableViewInfo()->GetLevelIndentsWidth() : 0;
}

Integer TcxGridColumnContainerViewInfo::GetColumnMinWidth(TcxGridColumn* column) {
  return GetColumnIndent(column) + column->MinWidth();
}

Integer TcxGridColumnContainerViewInfo::GetColumnWidth(TcxGridColumn* column) {
  return GetColumnIndent(column) + column->Width();
}

TRect TcxGridColumnContainerViewInfo::GetItemClipArea() { return TableViewInfo()->HorzScrollArea(); }

TcxCustomGridHitTest* TcxGridColumnContainerViewInfo::GetItemHitTest(const TPoint& p) {
  for (TcxGridColumnHeaderViewInfo* item : items_)
    if (item && item->Calculated())
      if (TcxCustomGridHitTest* h = item->GetHitTest(p)) return h;
  return nullptr;
}

TcxCustomGridHitTest* TcxGridColumnContainerViewInfo::GetHitTest(const TPoint& p) {
  if (TcxCustomGridHitTest* h = GetItemHitTest(p)) return h;
  return TcxCustomGridPartViewInfo::GetHitTest(p);
}

void TcxGridColumnContainerViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  TcxCustomGridPartViewInfo::InitHitTest(hitTest);
  if (auto* h = dynamic_cast<TcxCustomGridColumnHitTest*>(hitTest)) h->ColumnContainerKind = GetContainerKind();
}

TcxCustomGridCellPainterClass TcxGridColumnContainerViewInfo::GetPainterClass() {
  return TcxGridColumnContainerPainter::StaticClass();
}

void TcxGridColumnContainerViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxCustomGridPartViewInfo::OffsetBounds(dx, dy);
  for (TcxGridColumnHeaderViewInfo* item : items_)
    if (item) item->OffsetBounds(dx, dy);
}

void TcxGridColumnContainerViewInfo::ResetCalculated() {
  TcxCustomGridPartViewInfo::ResetCalculated();
  for (TcxGridColumnHeaderViewInfo* item : items_)
    if (item) item->ResetCalculated();
}

TRect TcxGridColumnContainerViewInfo::GetZonesAreaBounds() {
  TRect r = Bounds;
  r.Right = GridViewInfo()->ClientBounds().Right;
  return r;
}

TcxGridItemContainerZone* TcxGridColumnContainerViewInfo::GetDropZone(const TPoint& p) {
  const TRect area = GetZonesAreaBounds();
  if (!Visible || !area.Contains(p)) return nullptr;
  const Integer count = GetItemViewInfoCount();
  for (Integer i = 0; i <= count; ++i) {
    Integer cut = area.Right;
    if (i < count) {
      const TRect b = GetItemViewInfo(i)->Bounds;
      cut = (b.Left + b.Right) / 2;
    }
    if (cut > p.X) return new TcxGridItemContainerZone(i);
  }
  return nullptr;
}

void TcxGridColumnContainerViewInfo::CalculateAt(Integer left, Integer top, Integer width, Integer height) {
  TcxCustomGridPartViewInfo::CalculateAt(left, top, width, height);
  CalculateItems();
}

// ---- the header ---------------------------------------------------------------------------------------------------

Integer TcxGridHeaderViewInfoSpecific::ItemHeight() { return container_->GetItemHeight(); }

TcxGridHeaderViewInfo::~TcxGridHeaderViewInfo() { delete specific_; }

TcxGridHeaderViewInfoSpecific* TcxGridHeaderViewInfo::Specific() {
  if (!specific_)
    specific_ = static_cast<TcxGridHeaderViewInfoSpecific*>(TableViewInfo()->GetHeaderViewInfoSpecificClass()->Create(this));
  return specific_;
}

Integer TcxGridHeaderViewInfo::CalculateHeight() { return IsPartVisible() ? Specific()->Height() : 0; }

bool TcxGridHeaderViewInfo::HasFixedHeight() { return TableView()->GetOptionsView()->HeaderHeight() != 0; }

Integer TcxGridHeaderViewInfo::CalculateWidth() { return TableViewInfo()->GetDataWidth(); }

void TcxGridHeaderViewInfo::GetViewParams(TcxStyleParams& params) {
  TableView()->GetStyles()->ResolveViewParams(TcxGridTableViewStyles::vsHeader, nullptr, nullptr, params);
}

TBitmap* TcxGridHeaderViewInfo::GetBackgroundBitmap() {
  TBitmap* b = TableView()->GetBackgroundBitmaps()->GetBitmap(TcxGridTableBackgroundBitmaps::bbHeader);
  return b && !b->Empty() ? b : nullptr;
}

bool TcxGridHeaderViewInfo::IsPartVisible() { return TableView()->GetOptionsView()->Header(); }

bool TcxGridHeaderViewInfo::IsAutoWidth() { return TableView()->GetOptionsView()->ColumnAutoWidth(); }

bool TcxGridHeaderViewInfo::IsMultiLine() {
  return TableView()->GetOptionsView()->HeaderAutoHeight();
}

bool TcxGridHeaderViewInfo::IsItemHeightFixed(TcxGridColumn*) { return TcxGridHeaderViewInfo::HasFixedHeight(); }

TcxGridColumn* TcxGridHeaderViewInfo::GetItem(Integer index) { return TableView()->GetVisibleColumn(index); }

Integer TcxGridHeaderViewInfo::GetItemCount() { return TableView()->GetVisibleColumnCount(); }

TcxNeighbors TcxGridHeaderViewInfo::GetNeighbours(TcxGridColumn* column) {
  TcxNeighbors result;
  if (!column->IsLeftmost()) result.Include(nLeft);
  if (!column->IsRightmost()) result.Include(nRight);
  return result;
}

TRect TcxGridHeaderViewInfo::GetZonesAreaBounds() {
  TRect r = TcxGridColumnContainerViewInfo::GetZonesAreaBounds();
  r.Top -= 15;
  r.Bottom += 15;
  return r;
}

Integer TcxGridHeaderViewInfo::CalculateItemHeight() {
  if (Integer fixed = TableView()->GetOptionsView()->HeaderHeight()) return fixed;
  Integer h = 0;
  for (Integer i = 0; i < GetItemViewInfoCount(); ++i) h = std::max(h, GetItemViewInfo(i)->CalculateHeight());
  return h != 0 ? h : TcxGridColumnContainerViewInfo::CalculateItemHeight();
}

void TcxGridHeaderViewInfo::CalculateAutoWidths() {
  TcxAutoWidthObject autoWidth(GetItemViewInfoCount());
  for (Integer i = 0; i < GetItemViewInfoCount(); ++i) {
    TcxGridColumnHeaderViewInfo* item = GetItemViewInfo(i);
    TcxAutoWidthItem* w = autoWidth.AppendItem();
    w->MinimumWidth = item->GetMinWidth();
    w->BaseWidth = item->CalculateWidth();
    w->KeepWidth = item->Column()->KeepsWidthInAutoWidth();
  }
  autoWidth.AvailableSpace = GridViewInfo()->ClientWidth();
  autoWidth.Distribute();
  for (Integer i = 0; i < GetItemViewInfoCount(); ++i)
    GetItemViewInfo(i)->SetBoundsWidth(autoWidth.ItemAt(i)->ResultWidth);
}

void TcxGridHeaderViewInfo::CheckAutoWidths() {
  if (IsAutoWidth()) CalculateAutoWidths();
}

Integer TcxGridHeaderViewInfo::DisplayWidth() {
  Integer w = 0;
  for (Integer i = 0; i < GetItemViewInfoCount(); ++i) w += GetItemViewInfo(i)->CalculateWidth();
  return w;
}

void TcxGridHeaderViewInfo::CalculateSums() {
  const Integer n = GetItemViewInfoCount();
  widthsBefore_.assign(size_t(n) + 1, 0);
  minWidthsBefore_.assign(size_t(n) + 1, 0);
  for (Integer i = 0; i < n; ++i) {
    TcxGridColumnHeaderViewInfo* item = GetItemViewInfo(i);
    widthsBefore_[size_t(i) + 1] = widthsBefore_[size_t(i)] + item->CalculateWidth();
    minWidthsBefore_[size_t(i) + 1] = minWidthsBefore_[size_t(i)] + item->GetMinWidth();
  }
  sumsValid_ = true;
}

Integer TcxGridHeaderViewInfo::GetAutoWidthMaxWidth(Integer index) {
  if (!sumsValid_) CalculateSums();
  const Integer n = GetItemViewInfoCount();
  const Integer client = GridViewInfo()->ClientWidth();
  if (index == n - 1) return client - minWidthsBefore_[size_t(index)];
  const Integer minAfter = minWidthsBefore_[size_t(n)] - minWidthsBefore_[size_t(index) + 1];
  return client - widthsBefore_[size_t(index)] - minAfter;
}

void TcxGridHeaderViewInfo::CalculateHidden() {
  const TRect client = TableViewInfo()->ClientBounds();
  Bounds = TRect(client.Left - TableViewInfo()->LeftPos(), client.Top, client.Left - TableViewInfo()->LeftPos() + CalculateWidth(), client.Top);
  CalculateItems();
  TcxCustomGridPartViewInfo::CalculateHidden();
}

void TcxGridHeaderViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxGridColumnContainerViewInfo::OffsetBounds(dx, dy);
  if (!Visible) return;
  for (Integer i = 0; i < GetItemViewInfoCount(); ++i)
    if (TcxGridColumnHeaderViewInfo* item = ExistingItemViewInfo(i))
      item->Visible = item->CheckVisibility(item->Bounds.Left, item->Bounds.Width());
}

void TcxGridHeaderViewInfo::CalculateItems() {
  // A hidden header still lays its columns out: the rows take their widths from it.
  const TRect area = GetItemsAreaBounds();
  const Integer h = GetItemHeight();
  Integer x = area.Left;
  for (Integer i = 0; i < GetItemViewInfoCount(); ++i) {
    TcxGridColumnHeaderViewInfo* item = GetItemViewInfo(i);
    const Integer w = item->CalculateWidth();
    item->CalculateAt(x, area.Top, w, h);
    if (!IsPartVisible()) item->Visible = false;
    x += w;
  }
}

// ---- the group-by box ---------------------------------------------------------------------------------------------

TcxGridColumnHeaderViewInfo* TcxGridGroupByBoxViewInfo::CreateItemViewInfo(TcxGridColumn* column) {
  return new TcxGridGroupByBoxColumnHeaderViewInfo(this, column);
}

bool TcxGridGroupByBoxViewInfo::IsPartVisible() { return TableView()->GetOptionsView()->GroupByBox(); }

TcxGridColumn* TcxGridGroupByBoxViewInfo::GetItem(Integer index) { return TableView()->GetGroupedColumn(index); }

Integer TcxGridGroupByBoxViewInfo::GetItemCount() { return TableView()->GetGroupedColumnCount(); }

Integer TcxGridGroupByBoxViewInfo::GetColumnWidth(TcxGridColumn* column) {
  for (Integer i = 0; i < GetItemViewInfoCount(); ++i)
    if (GetItem(i) == column) return GetItemViewInfo(i)->GetPreferredWidth();
  return TcxGridColumnContainerViewInfo::GetColumnWidth(column);
}

void TcxGridGroupByBoxViewInfo::GetViewParams(TcxStyleParams& params) {
  TableView()->GetStyles()->ResolveViewParams(TcxGridTableViewStyles::vsGroupByBox, nullptr, nullptr, params);
}

TBitmap* TcxGridGroupByBoxViewInfo::GetBackgroundBitmap() {
  TBitmap* b = TableView()->GetBackgroundBitmaps()->GetBitmap(TcxGridTableBackgroundBitmaps::bbGroupByBox);
  return b && !b->Empty() ? b : nullptr;
}

String TcxGridGroupByBoxViewInfo::GetText() { return GetItemCount() == 0 ? GridGroupByBoxCaption() : String(); }

TRect TcxGridGroupByBoxViewInfo::GetTextAreaBounds() {
  TRect r = GrowRect(ContentBounds(), -2, -2);
  r.Left += 6;
  return r;
}

TcxCustomGridCellPainterClass TcxGridGroupByBoxViewInfo::GetPainterClass() {
  return TcxGridGroupByBoxPainter::StaticClass();
}

Integer TcxGridGroupByBoxViewInfo::CalculateWidth() { return GridViewInfo()->ClientWidth(); }

Integer TcxGridGroupByBoxViewInfo::CalculateHeight() {
  if (!IsPartVisible()) return 0;
  EnsureTextAndParams();
  const Integer n = GetItemViewInfoCount();
  if (n == 0) return GetCanvas()->MeasureFontHeight(Params.Font) + 4 + 2 + 16;
  const Integer h = GetItemHeight();
  return (h / 2) * (n + 1) + h % 2 + 16;
}

void TcxGridGroupByBoxViewInfo::CalculateItems() {
  // The staircase: each grouped column 4 pixels right of and half a header lower than the last.
  const Integer h = GetItemHeight();
  Integer x = Bounds.Left + 6, y = Bounds.Top + 8;
  for (Integer i = 0; i < GetItemViewInfoCount(); ++i) {
    TcxGridColumnHeaderViewInfo* item = GetItemViewInfo(i);
    item->CalculateAt(x, y, item->GetPreferredWidth(), h);
    if (!Visible) item->Visible = false;
    x = item->Bounds.Right + 4;
    y += h / 2;
  }
}

// ---- painters -------------------------------------------------------------------------------------------------------

void TcxGridColumnContainerPainter::DrawItems() {
  TcxGridColumnContainerViewInfo* container = Container();
  for (Integer i = 0; i < container->GetItemViewInfoCount(); ++i)
    if (TcxGridColumnHeaderViewInfo* item = container->ExistingItemViewInfo(i))
      if (item->Calculated()) item->Paint(Canvas());
}

void TcxGridColumnContainerPainter::DrawContent() {
  TcxCanvas* canvas = Canvas();
  TcxRegion* saved = canvas->CopyClipRegion();
  Finally restore{[&] { canvas->ApplyClipRegion(saved, roSet, true); }};
  canvas->IntersectClip(ViewInfo()->Bounds);
  if (Container()->PaintsItemsFirst()) {
    DrawItems();
    TcxCustomGridCellPainter::DrawContent();
  } else {
    TcxCustomGridCellPainter::DrawContent();
    DrawItems();
  }
}

void TcxGridGroupByBoxPainter::DrawContent() {
  TcxGridColumnContainerPainter::DrawContent();
  DrawConnectors();
}

void TcxGridGroupByBoxPainter::DrawConnectors() {
  TcxGridColumnContainerViewInfo* box = Container();
  for (Integer i = 0; i + 1 < box->GetItemViewInfoCount(); ++i) {
    const TRect b = box->GetItemViewInfo(i)->Bounds;
    Canvas()->FillRectColor(TRect(b.Right - 8, b.Bottom, b.Right - 7, b.Bottom + 4), clBtnText);
    Canvas()->FillRectColor(TRect(b.Right - 8, b.Bottom + 3, b.Right + 4, b.Bottom + 4), clBtnText);
  }
}

void TcxGridColumnHeaderPainter::DrawContent() {
  TcxGridColumnHeaderViewInfo* header = Header();
  TcxCanvas* canvas = Canvas();
  const bool own = canvas == header->GetCanvas();
  TcxButtonState state = cxbsNormal;
  if (own) state = header->IsPressed() ? cxbsPressed : GridCellStateToButtonState(header->State());
  TcxDrawBackgroundEvent drawBackground;
  if (header->HasBackgroundBitmap())
    drawBackground = [this](TcxCanvas* c, const TRect& r) { return DrawBackgroundBitmap(c, r); };
  header->GridViewInfo()->GetLookAndFeelPainter()->PaintHeader(
      canvas, header->Bounds, header->TextArea(), header->Neighbours(), header->Borders, state, header->AlignmentHorz,
      header->AlignmentVert, header->MultiLinePainting(), header->ShowEndEllipsis(), header->Text, header->Params.Font,
      header->Params.TextColor, header->Params.Color, drawBackground, header->Column()->IsRightmostInView());
  DrawAreas();
  if (own && header->IsPressed())
    header->GridViewInfo()->GetLookAndFeelPainter()->PaintHeaderBackground(canvas, header->Bounds);
}

void TcxGridColumnHeaderPainter::DrawAreas() {
  TcxCanvas* canvas = Canvas();
  TcxRegion* saved = canvas->CopyClipRegion();
  Finally restore{[&] { canvas->ApplyClipRegion(saved, roSet, true); }};
  for (Integer i = 0; i < Header()->AreaViewInfoCount(); ++i) Header()->AreaViewInfo(i)->Paint(canvas);
}

void TcxGridColumnHeaderFilterButtonPainter::DrawContent() {
  auto* area = static_cast<TcxGridColumnHeaderFilterButtonViewInfo*>(ViewInfo());
  area->GridViewInfo()->GetLookAndFeelPainter()->PaintFilterDropDownButton(
      Canvas(), area->Bounds, GridCellStateToButtonState(area->State()), area->Active());
}

void TcxGridColumnHeaderSortingMarkPainter::DrawContent() {
  auto* area = static_cast<TcxGridColumnHeaderSortingMarkViewInfo*>(ViewInfo());
  area->GridViewInfo()->GetLookAndFeelPainter()->PaintSortMark(Canvas(), area->Bounds, area->Ascending());
}

void TcxGridColumnHeaderGlyphPainter::DrawContent() {
  auto* area = static_cast<TcxGridColumnHeaderGlyphViewInfo*>(ViewInfo());
  Canvas()->DrawGlyph(area->Bounds.Left, area->Bounds.Top, area->Column()->HeaderGlyph(), true, clNone);
}

// ---- the view info ---------------------------------------------------------------------------------------------------

TcxGridTableViewInfo::~TcxGridTableViewInfo() { DestroyPartViewInfos(false); }

TcxGridTableView* TcxGridTableViewInfo::TableView() const { return static_cast<TcxGridTableView*>(GridView()); }

void TcxGridTableViewInfo::CreateViewParts() {
  groupByBoxViewInfo_ = static_cast<TcxGridGroupByBoxViewInfo*>(GetGroupByBoxViewInfoClass()->Create(this));
  groupByBoxViewInfo_->Register();
  headerViewInfo_ = static_cast<TcxGridHeaderViewInfo*>(GetHeaderViewInfoClass()->Create(this));
  headerViewInfo_->Register();
  footerViewInfo_ = static_cast<TcxGridFooterViewInfo*>(GetFooterViewInfoClass()->Create(this));
  footerViewInfo_->Register();
  indicatorViewInfo_ = static_cast<TcxGridIndicatorViewInfo*>(GetIndicatorViewInfoClass()->Create(this));
  groupByBoxViewInfo_->InitItems();
  headerViewInfo_->InitItems();
  footerViewInfo_->InitItems();
  // The filter box sits between the group-by box and the header at the top, below the
  // footer at the bottom (a lower list position is further out).
  if (TcxGridFilterViewInfo* filter = FilterViewInfo()) {
    MovePart(filter, PartCount() - 1);
    MovePart(filter, IndexOfPart(filter->GetPartAlignment() == gpaTop
                                     ? static_cast<TcxCustomGridPartViewInfo*>(headerViewInfo_)
                                     : footerViewInfo_));
  }
}

void TcxGridTableViewInfo::DestroyViewParts() {
  FreeAndNil(indicatorViewInfo_);
  FreeAndNil(footerViewInfo_);
  FreeAndNil(headerViewInfo_);
  FreeAndNil(groupByBoxViewInfo_);
}

void TcxGridTableViewInfo::Recalculate() {
  dataWidth_ = 0;
  TcxCustomGridTableViewInfo::Recalculate();
}

void TcxGridTableViewInfo::GetHeight(const TPoint& maxSize, Integer& height, bool& fullyVisible) {
  std::unique_ptr<TcxGridTableViewInfo> info(static_cast<TcxGridTableViewInfo*>(GridView()->CreateViewInfo()));
  info->SetInternal(true);
  // Placed like the real site (its border included), off-screen.
  const TRect r(30000, 0, 30000 + maxSize.X, maxSize.Y);
  info->PlaceAndCalculate(r);
  auto* rows = static_cast<TcxGridRowsViewInfo*>(info->RecordsViewInfo());
  const Integer built = rows ? std::min(rows->CalculatedRowCount(), rows->Count()) : 0;
  if (built == 0) {
    height = info->GetNonRecordsHeight(false) + (rows ? rows->DataRowHeight() : 0);
    fullyVisible = true;
  } else {
    // The last built row (it may reach below the rows area) and the parts below the rows.
    height = rows->Row(built - 1)->Bounds.Bottom + (r.Bottom - rows->Bounds.Bottom);
    TcxCustomGridTableViewData* data = TableView()->TableViewData();
    const Integer remaining = data ? data->CountRecords() - std::max(rows->FirstRecordIndex(), 0) : 0;
    fullyVisible = remaining == rows->VisibleCount && rows->AllRowsFullyVisible() &&
                   rows->Row(built - 1)->Bounds.Bottom <= rows->ContentBounds.Bottom;
  }
  CalculateNeededHeight(height);
}

bool TcxGridTableViewInfo::CanOffsetRecords(Integer count) {
  return !TableView()->IsMasterView() && TcxCustomGridTableViewInfo::CanOffsetRecords(count);
}

void TcxGridTableViewInfo::BeforeCalculation() {
  TcxCustomGridTableViewInfo::BeforeCalculation();
  CalculateIndentConsts();
}

void TcxGridTableViewInfo::CalculateIndentConsts() {
  expandButtonOffset_ = 3;
  levelIndent_ = GetLookAndFeelPainter()->ExpandButtonExtent() + 2 * expandButtonOffset_;
}

void TcxGridTableViewInfo::Calculate() {
  // Every part view info is made anew at every calculation.
  Recalculate();
  CalculateIndentConsts();
  // The header fits its columns first: the data width and its height follow from them.
  headerViewInfo_->CheckAutoWidths();
  Finally indicator{[this] {
    // Beside the header, the rows and the footer (row items are placed by their rows).
    if (!indicatorViewInfo_) return;
    const TRect client = ClientBounds();
    const Integer headerHeight = headerViewInfo_ ? headerViewInfo_->Height() : 0;
    indicatorViewInfo_->Visible = indicatorViewInfo_->IsIndicatorVisible();
    indicatorViewInfo_->CalculateAt(ViewLeft(), client.Top - headerHeight, indicatorViewInfo_->IndicatorWidth(),
                                    indicatorViewInfo_->CalculateHeight());
  }};
  TcxCustomGridTableViewInfo::Calculate();
}

TRect TcxGridTableViewInfo::GetClientBounds() {
  TRect r = TcxCustomGridTableViewInfo::GetClientBounds();
  if (indicatorViewInfo_) r.Left += indicatorViewInfo_->IndicatorWidth();
  return r;
}

TcxCustomGridHitTest* TcxGridTableViewInfo::GetContentHitTest(const TPoint& p) {
  if (indicatorViewInfo_ && indicatorViewInfo_->Visible && indicatorViewInfo_->Calculated())
    if (TcxCustomGridHitTest* h = indicatorViewInfo_->GetHitTest(p)) return h;
  return TcxCustomGridTableViewInfo::GetContentHitTest(p);
}

void TcxGridTableViewInfo::GetPartBounds(TcxCustomGridPartViewInfo* part, TRect& r) {
  TcxCustomGridTableViewInfo::GetPartBounds(part, r);
  if (part->ScrollsHorizontally()) r = ShiftedRect(r, -LeftPos(), 0);
}

void TcxGridTableViewInfo::OffsetHorizontally(Integer dx, Integer dy) {
  for (Integer i = 0; i < PartCount(); ++i)
    if (Parts(i)->ScrollsHorizontally() && Parts(i)->Visible) Parts(i)->OffsetBounds(dx, 0);
  if (headerViewInfo_ && !headerViewInfo_->Visible) headerViewInfo_->OffsetBounds(dx, 0);
  TcxCustomGridTableViewInfo::OffsetHorizontally(dx, dy);
}

void TcxGridTableViewInfo::GetVertScrollArea(TRect& r) {
  r = ClientBounds();
  if (indicatorViewInfo_) r.Left -= indicatorViewInfo_->IndicatorWidth();
  if (RecordsViewInfo()) r.Top = RecordsViewInfo()->ContentBounds.Top;
}

void TcxGridTableViewInfo::GetVertScrollRects(Integer dy, TRect& scrolled, TRect& strip) {
  TRect area;
  GetVertScrollArea(area);
  scrolled = strip = area;
  TcxCustomGridRecordsViewInfo* rows = RecordsViewInfo();
  if (dy < 0) {
    scrolled.Top -= dy;
    if (rows && rows->VisibleCount > 1 && rows->VisibleCount - 2 < rows->Count())
      scrolled.Bottom = rows->Items(rows->VisibleCount - 2)->Bounds.Bottom;
    strip.Top = scrolled.Bottom + dy;
  } else {
    scrolled.Bottom -= dy;
    if (rows && rows->Count() > 1) scrolled.Top = rows->Items(1)->Bounds.Top;
    strip.Bottom = scrolled.Top + dy;
  }
}

void TcxGridTableViewInfo::GetHorzScrollRects(Integer dx, TRect& scrolled, TRect& strip) {
  scrolled = strip = HorzScrollArea();
  if (dx < 0) {
    scrolled.Left -= dx;
    strip.Left = strip.Right + dx;
  } else {
    scrolled.Right -= dx;
    strip.Right = strip.Left + dx;
  }
}

void TcxGridTableViewInfo::GetHorzScrollArea(TRect& r) {
  r = ClientBounds();
  if (headerViewInfo_) r.Top -= headerViewInfo_->Height();
  if (footerViewInfo_) r.Bottom += footerViewInfo_->Height();
}

TcxCustomGridCellPainterClass TcxGridTableViewInfo::GetFooterPainterClass() {
  return TcxGridFooterPainter::StaticClass();
}

Integer TcxGridTableViewInfo::CalculateDataWidth() {
  Integer w = headerViewInfo_ ? headerViewInfo_->DisplayWidth() : 0;
  if (w == 0 && TableView()->GetOptionsView()->ColumnAutoWidth()) w = ClientWidth();
  return w;
}

Integer TcxGridTableViewInfo::GetDataWidth() {
  if (dataWidth_ == 0) dataWidth_ = CalculateDataWidth();
  return dataWidth_;
}

Integer TcxGridTableViewInfo::GetVisualLevelCount() {
  Integer n = TableView()->GetGroupedColumnCount();
  if (n > 0 && TableView()->GetOptionsView()->GroupRowStyle() == grsOffice11) --n;
  if (TableView()->IsMasterView()) ++n;
  return n;
}

Integer TcxGridTableViewInfo::GetVisualLevel(Integer level) {
  if (level != 0 && level == TableView()->GetGroupedColumnCount() &&
      TableView()->GetOptionsView()->GroupRowStyle() == grsOffice11)
    return level - 1;
  return level;
}

TColor TcxGridTableViewInfo::GetGridLineColor() { return TableView()->GetOptionsView()->GetGridLineColor(); }

TcxBorders TcxGridTableViewInfo::GetCellBorders(bool atRightEdge) {
  switch (TableView()->GetOptionsView()->GridLines()) {
    case glBoth: return TcxBorders{bRight, bBottom};
    case glVertical: return TcxBorders{bRight};
    case glHorizontal: return atRightEdge ? TcxBorders{bRight, bBottom} : TcxBorders{bBottom};
    default: return TcxBorders();
  }
}

TColor TcxGridTableViewInfo::GetGroupLevelColor(Integer level) {
  TcxStyleParams params;
  TableView()->GetStyles()->GetGroupParams(nullptr, level, params);
  return params.Color;
}

Integer TcxGridTableViewInfo::LeftPos() {
  auto* controller = dynamic_cast<TcxGridTableController*>(Controller());
  return controller ? controller->LeftPos() : 0;
}

// ---- the painter ------------------------------------------------------------------------------------------------------

void TcxGridTablePainter::PaintPart(TcxCustomGridCellViewInfo* part) {
  if (!part || !part->Visible || part->Bounds.IsEmpty()) return;
  part->Paint(Canvas());
  // The records painted next stay off the part (a last record cut by the footer).
  Canvas()->ExcludeFromClip(part->Bounds);
  ExcludeFromBackground(part->Bounds);
}

void TcxGridTablePainter::PaintViewContent() {
  TcxGridTableViewInfo* info = TableViewInfo();
  PaintPart(info->GroupByBoxViewInfo());
  DrawFilterBar();
  PaintPart(info->IndicatorViewInfo());
  // Right of a header or footer narrower than the view: the view's background.
  for (TcxGridHeaderViewInfo* part : {info->HeaderViewInfo(), static_cast<TcxGridHeaderViewInfo*>(info->FooterViewInfo())}) {
    PaintPart(part);
    if (!part || !part->Visible) continue;
    const TRect client = info->ClientBounds();
    const TRect strip(part->Bounds.Right, part->Bounds.Top, client.Right, part->Bounds.Bottom);
    if (!strip.IsEmpty()) Canvas()->FillRectColor(strip, info->GetBackgroundColor());
  }
  if (info->IsNavigatorSiteShown()) DrawNavigator();
  DrawRecords();
}

bool TcxGridTablePainter::CanScrollWindow() {
  TcxGridTableView* view = static_cast<TcxGridTableView*>(GridView());
  TcxGridTableBackgroundBitmaps* bitmaps = view->GetBackgroundBitmaps();
  auto hasBitmap = [bitmaps](Integer index) {
    TBitmap* b = bitmaps->GetBitmap(index);
    return b && !b->Empty();
  };
  return TcxCustomGridTablePainter::CanScrollWindow() && !hasBitmap(0) &&
         !hasBitmap(TcxGridTableBackgroundBitmaps::bbContent) && !hasBitmap(TcxGridTableBackgroundBitmaps::bbGroup) &&
         !hasBitmap(TcxGridTableBackgroundBitmaps::bbHeader) && !hasBitmap(TcxGridTableBackgroundBitmaps::bbFooter) &&
         !view->HasCellMergingColumns() && !view->IsMasterView();
}

bool TcxGridTablePainter::AddGridLine(const TRect& r) {
  if (!gridLines_) return false;
  if (!r.IsEmpty()) gridLines_->push_back(r);
  return true;
}

void TcxGridTablePainter::DrawRecords() {
  std::vector<TRect> lines;
  gridLines_ = &lines;
  {
    Finally stop{[this] { gridLines_ = nullptr; }};
    TcxCustomGridTablePainter::DrawRecords();
  }
  DrawGridLines(lines, TableViewInfo()->GetGridLineColor());
}

void TcxGridTablePainter::DrawGridLines(const std::vector<TRect>& lines, TColor color) {
  if (lines.empty()) return;
  std::vector<POINT> points;
  points.reserve(lines.size() * 2);
  for (const TRect& r : lines) {
    if (r.Height() == 1) {
      points.push_back(POINT{r.Left, r.Top});
      points.push_back(POINT{r.Right, r.Top});
    } else {
      points.push_back(POINT{r.Left, r.Top});
      points.push_back(POINT{r.Left, r.Bottom});
    }
  }
  std::vector<DWORD> counts(lines.size(), 2);
  HDC dc = Canvas()->DeviceContext();
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(color));
  HGDIOBJ old = SelectObject(dc, pen);
  PolyPolyline(dc, points.data(), counts.data(), DWORD(counts.size()));
  SelectObject(dc, old);
  DeleteObject(pen);
}

void RegisterGridTableViewInfoPainters() {
  RegisterGridTableFooterPainters();
  RegisterGridCellPainter<TcxGridColumnContainerPainter>();
  RegisterGridCellPainter<TcxGridGroupByBoxPainter>();
  RegisterGridCellPainter<TcxGridColumnHeaderPainter>();
  RegisterGridCellPainter<TcxGridColumnHeaderFilterButtonPainter>();
  RegisterGridCellPainter<TcxGridColumnHeaderSortingMarkPainter>();
  RegisterGridCellPainter<TcxGridColumnHeaderGlyphPainter>();
}
