#include "gridviews/cxGridBandedTableViewInfo.h"

#include <algorithm>

#include "data/cxCustomDataInternal.h"
#include "foundation/cxClasses.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "gridviews/cxGridBandedTableDragDrop.h"

using cxdata_internal::Finally;

namespace {

constexpr Integer cxGridBandSizingEdgeWidth = 8;
constexpr Integer cxGridMaxBandWidth = cxGridMaxColumnWidth;

}  // namespace

KORVAN_IMPLEMENT_CLASS(TcxGridColumnHeaderVertSizingEdgeHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridBandHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridBandHeaderHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridBandHeaderSizingEdgeHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedColumnHeaderViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedDataRowCellsAreaItemViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedDataRowCellsAreaViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedDataRowCellsAreaItemPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedColumnHeaderVertSizingEdgeViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridBandHeaderViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridBandRowViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridBandRowsViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridBandViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridBandsViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedHeaderViewInfoSpecific)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedHeaderViewInfo)

Integer TcxGridBandedHeaderViewInfoSpecific::Height() { return ItemHeight() * ContainerViewInfo()->GetLineCount(); }
KORVAN_IMPLEMENT_CLASS(TcxGridBandedRowsViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedTableViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedHeaderPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridBandPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridBandHeaderPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedRowsPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedTablePainter)
KORVAN_IMPLEMENT_CLASS(TcxGridIndicatorBandHeaderItemViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedIndicatorViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedFooterViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedFooterPainter)

namespace {
const TcxResourceStringRec scxGridBandsQuickCustomizationHint{"scxGridBandsQuickCustomizationHint",
                                                              "Click here to select visible bands"};
}  // namespace

// ---- column headers --------------------------------------------------------------------------------------

TcxGridBandViewInfo* TcxGridBandedColumnHeaderViewInfo::GetBandViewInfo() {
  auto* header = dynamic_cast<TcxGridBandedHeaderViewInfo*>(Container());
  TcxGridBand* band = GetColumn()->Position()->Band();
  if (!header || !band || band->GetVisibleIndex() < 0) return nullptr;
  return header->GetBandsViewInfo()->GetItem(band->GetVisibleIndex());
}

TcxGridBandRowViewInfo* TcxGridBandedColumnHeaderViewInfo::GetRowViewInfo() {
  TcxGridBandViewInfo* band = GetBandViewInfo();
  const Integer row = GetColumn()->Position()->GetVisibleRowIndex();
  if (!band || !band->GetRowsViewInfo() || row < 0 || row >= band->GetRowsViewInfo()->GetCount()) return nullptr;
  return band->GetRowsViewInfo()->GetItem(row);
}

void TcxGridBandedColumnHeaderViewInfo::CreateAreaViewInfos() {
  TcxGridColumnHeaderViewInfo::CreateAreaViewInfos();
  // The vertical sizing edge only in the header, for a column that can size its line count.
  if (Container()->GetContainerKind() != 2 || !GetColumn()->CanVertSize()) return;
  auto* edge = new TcxGridBandedColumnHeaderVertSizingEdgeViewInfo(this);
  AddAreaViewInfo(edge);
}

TRect TcxGridBandedColumnHeaderViewInfo::GetAreaClipBounds() {
  TRect r = TcxGridColumnHeaderViewInfo::GetAreaClipBounds();
  TcxGridBandViewInfo* band = GetBandViewInfo();
  if (band && band->GetFixedKind() != fkNone) {
    r.Left = band->Bounds.Left;
    r.Right = band->Bounds.Right;
  }
  return r;
}

Integer TcxGridBandedColumnHeaderViewInfo::GetMaxWidth() {
  TcxGridBand* band = GetColumn()->Position()->Band();
  TcxGridBandViewInfo* bandInfo = GetBandViewInfo();
  if (!band || !bandInfo || (band->Width() == 0 && !band->GetWidthOwner())) return cxGridMaxColumnWidth;
  TcxGridBandRow* row = GetColumn()->Position()->GetRow();
  const Integer available = band->Width() != 0 ? bandInfo->GetContentWidth() : bandInfo->GetMaxContentWidth();
  Integer used = 0;
  const Integer index = row->VisibleIndexOf(GetColumn());
  auto* header = static_cast<TcxGridBandedHeaderViewInfo*>(Container());
  for (Integer i = 0; i < row->VisibleCount(); ++i) {
    if (i == index) continue;
    TcxGridBandedColumnHeaderViewInfo* other = header->ColumnHeader(row->VisibleItems(i)->VisibleIndex());
    if (!other) continue;
    const bool last = index == row->VisibleCount() - 1;
    used += (i < index && !last) ? other->CalculateWidth() : other->GetMinWidth();
  }
  return std::max(available - used, GetMinWidth());
}

bool TcxGridBandedColumnHeaderViewInfo::CheckVisibility(Integer left, Integer width) {
  const TRect area = GetAreaClipBounds();
  return left < area.Right && area.Left < left + width;
}

void TcxGridBandedColumnHeaderVertSizingEdgeViewInfo::Place(const TRect& whole, TRect&) {
  const Integer h = CalculateHeight();
  CalculateInRect(TRect(whole.Left, whole.Bottom - h / 2, whole.Right, whole.Bottom + h / 2));
}

// ---- band headers ------------------------------------------------------------------------------------------

TcxGridBandHeaderViewInfo::TcxGridBandHeaderViewInfo(TcxGridBandViewInfo* bandViewInfo)
    : TcxCustomGridViewCellViewInfo(bandViewInfo->GridViewInfo()), band_(bandViewInfo) {}

TcxGridBand* TcxGridBandHeaderViewInfo::GetBand() const { return band_->GetBand(); }

TcxGridBandedTableView* TcxGridBandHeaderViewInfo::GridBandedView() const { return band_->GridBandedView(); }

Integer TcxGridBandHeaderViewInfo::GetRowCount() {
  if (!GetBand()->IsBottom()) return 1;
  return band_->BandsViewInfo()->GetBandHeaderRowCount() - GetBand()->GetLevel();
}

TcxCanvas* TcxGridBandHeaderViewInfo::GetCanvas() { return GridTableMeasuringCanvas(GridViewInfo()); }

Integer TcxGridBandHeaderViewInfo::CalculateHeight() {
  TcxGridBandedTableOptionsView* options = GridBandedView()->GetOptionsView();
  if (options->BandHeaderHeight() != 0) return options->BandHeaderHeight();
  EnsureTextAndParams();
  return options->BandHeaderLineCount() * GetTextCellHeight(GridViewInfo(), Params.Font);
}

TAlignment TcxGridBandHeaderViewInfo::GetAlignmentHorz() { return GetBand()->HeaderAlignmentHorz(); }

TcxAlignmentVert TcxGridBandHeaderViewInfo::GetAlignmentVert() { return GetBand()->HeaderAlignmentVert(); }

TRect TcxGridBandHeaderViewInfo::GetAreaClipBounds() { return band_->GetAreaClipBounds(); }

TBitmap* TcxGridBandHeaderViewInfo::GetBackgroundBitmap() {
  return GridBandedView()->GetBackgroundBitmaps()->GetSetBitmap(TcxGridBandedTableBackgroundBitmaps::bbBandHeader);
}

Integer TcxGridBandHeaderViewInfo::GetBorderWidth(TcxBorder) {
  return GridViewInfo()->GetLookAndFeelPainter()->HeaderFrameWidth();
}

Integer TcxGridBandHeaderViewInfo::AddTextMargins(Integer size) {
  return size + 4 + 2 * GridViewInfo()->GetLookAndFeelPainter()->HeaderFrameWidth();
}

TcxCustomGridCellPainterClass TcxGridBandHeaderViewInfo::GetPainterClass() {
  return TcxGridBandHeaderPainter::StaticClass();
}

bool TcxGridBandHeaderViewInfo::IsHotTrackable() {
  return GridViewInfo()->GetLookAndFeelPainter()->PainterStyle() == lfsNative;
}

bool TcxGridBandHeaderViewInfo::CalculateMultiLinePainting() {
  return TcxCustomGridViewCellViewInfo::CalculateMultiLinePainting() ||
         GridBandedView()->GetOptionsView()->BandHeaderHeight() != 0 ||
         GridBandedView()->GetOptionsView()->BandHeaderLineCount() > 1;
}

bool TcxGridBandHeaderViewInfo::ShowEndEllipsis() { return GridBandedView()->GetOptionsView()->BandHeaderEndEllipsis(); }

String TcxGridBandHeaderViewInfo::GetText() { return GetBand()->Caption(); }

void TcxGridBandHeaderViewInfo::GetViewParams(TcxStyleParams& params) { GetBand()->Styles()->GetHeaderParams(params); }

bool TcxGridBandHeaderViewInfo::CustomDraw(TcxCanvas* canvas) {
  bool done = false;
  GridBandedView()->DoCustomDrawBandHeader(canvas, this, done);
  return done;
}

bool TcxGridBandHeaderViewInfo::HasCustomDraw() { return GridBandedView()->HasCustomDrawBandHeader(); }

bool TcxGridBandHeaderViewInfo::HasHint() { return GridBandedView()->GetOptionsBehavior()->BandHeaderHints(); }

void TcxGridBandHeaderViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  band_->InitHitTest(hitTest);
  TcxCustomGridViewCellViewInfo::InitHitTest(hitTest);
}

TRect TcxGridBandHeaderViewInfo::SizingEdgeBounds() {
  if (!GetBand()->CanSize()) return TRect();
  const Integer half = cxGridBandSizingEdgeWidth / 2;
  return TRect(Bounds.Right - half, Bounds.Top, Bounds.Right + half, Bounds.Bottom);
}

TcxCustomGridHitTest* TcxGridBandHeaderViewInfo::GetHitTest(const TPoint& p) {
  if (!Visible || !Calculated()) return nullptr;
  if (SizingEdgeBounds().Contains(p)) {
    auto* h = GetPooledHitTest<TcxGridBandHeaderSizingEdgeHitTest>(p);
    InitHitTest(h);
    return h;
  }
  return TcxCustomGridViewCellViewInfo::GetHitTest(p);
}

bool TcxGridBandHeaderViewInfo::IsPressed() {
  if (State() == gcsPressed) return true;
  auto* controller = dynamic_cast<TcxGridBandedTableController*>(Controller());
  return controller && controller->PressedBand() == GetBand();
}

bool TcxGridBandHeaderViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  bool result = TcxCustomGridViewCellViewInfo::MouseDown(hitTest, button, shift);
  if (button != mbLeft || !hitTest) return result;
  TcxGridBand* band = GetBand();
  TcxGridBandedTableView* view = GridBandedView();
  if (hitTest->GetHitTestCode() == 253 && !shift.Contains(ssDouble)) {
    if (auto* controller = dynamic_cast<TcxGridBandedTableController*>(Controller())) {
      controller->SetPressedBand(band);
      band->DoHeaderClick();
      result = true;
    }
  } else if (hitTest->GetHitTestCode() == 254 && shift.Contains(ssDouble)) {
    band->ApplyBestFit(true, false);
    view->DoBandSizeChanged(band);
    result = true;
  }
  return result;
}

// ---- band rows --------------------------------------------------------------------------------------------

TcxGridBandRowViewInfo::TcxGridBandRowViewInfo(TcxGridBandRowsViewInfo* rows, Integer visibleIndex)
    : rows_(rows), visibleIndex_(visibleIndex) {
  TcxGridBandRow* row = BandRow();
  auto* header = rows->BandViewInfo()->BandsViewInfo()->HeaderViewInfo();
  for (Integer i = 0; i < row->VisibleCount(); ++i)
    if (TcxGridBandedColumnHeaderViewInfo* item = header->ColumnHeader(row->VisibleItems(i)->VisibleIndex()))
      items_.push_back(item);
}

TcxGridBandRow* TcxGridBandRowViewInfo::BandRow() const {
  return rows_->BandViewInfo()->GetBand()->Rows()->VisibleItems(visibleIndex_);
}

Integer TcxGridBandRowViewInfo::GetLineCount() {
  if (lineCount_ == -1) lineCount_ = BandRow()->LineCount();
  return lineCount_;
}

Integer TcxGridBandRowViewInfo::GetLineOffset() {
  Integer n = 0;
  for (Integer i = 0; i < visibleIndex_; ++i) n += rows_->GetItem(i)->GetLineCount();
  return n;
}

Integer TcxGridBandRowViewInfo::GetHeight() {
  if (height_ == -1)
    height_ = GetLineCount() * rows_->BandViewInfo()->BandsViewInfo()->HeaderViewInfo()->GetItemHeight();
  return height_;
}

Integer TcxGridBandRowViewInfo::GetNaturalWidth() {
  if (naturalWidth_ == -1) {
    naturalWidth_ = 0;
    for (TcxGridBandedColumnHeaderViewInfo* item : items_) naturalWidth_ += item->CalculateWidth();
  }
  return naturalWidth_;
}

Integer TcxGridBandRowViewInfo::GetMinWidth() {
  Integer w = 0;
  for (TcxGridBandedColumnHeaderViewInfo* item : items_) w += item->GetMinWidth();
  return w;
}

void TcxGridBandRowViewInfo::Calculate(const TRect& bounds) {
  Bounds = bounds;
  // Every band row spans the band's content width: the columns share it in proportion.
  TcxAutoWidthObject autoWidth(GetCount());
  for (TcxGridBandedColumnHeaderViewInfo* item : items_) {
    TcxAutoWidthItem* w = autoWidth.AppendItem();
    w->MinimumWidth = item->GetMinWidth();
    w->BaseWidth = item->CalculateWidth();
    w->KeepWidth = item->Column()->KeepsWidthInAutoWidth();
  }
  autoWidth.AvailableSpace = bounds.Width();
  if (!items_.empty()) autoWidth.Distribute();
  auto* header = rows_->BandViewInfo()->BandsViewInfo()->HeaderViewInfo();
  const Integer lineHeight = header->GetItemHeight();
  const bool shown = header->IsPartVisible() && header->GridBandedView()->GetOptionsView()->Header();
  Integer x = bounds.Left;
  for (Integer i = 0; i < GetCount(); ++i) {
    TcxGridBandedColumnHeaderViewInfo* item = items_[size_t(i)];
    const Integer w = autoWidth.ItemAt(i)->ResultWidth;
    item->SetBoundsWidth(w);
    item->CalculateAt(x, bounds.Top, w, item->GetColumn()->Position()->LineCount() * lineHeight);
    if (!shown) item->Visible = false;
    x += w;
  }
}

void TcxGridBandRowViewInfo::OffsetBounds(Integer dx, Integer dy) { Bounds = ShiftedRect(Bounds, dx, dy); }

TcxGridBandRowsViewInfo::TcxGridBandRowsViewInfo(TcxGridBandViewInfo* band) : band_(band) {
  for (Integer i = 0; i < band->GetBand()->Rows()->VisibleCount(); ++i)
    items_.push_back(new TcxGridBandRowViewInfo(this, i));
}

TcxGridBandRowsViewInfo::~TcxGridBandRowsViewInfo() {
  for (TcxGridBandRowViewInfo* row : items_) delete row;
}

Integer TcxGridBandRowsViewInfo::GetLineCount() {
  Integer n = 0;
  for (TcxGridBandRowViewInfo* row : items_) n += row->GetLineCount();
  return n;
}

Integer TcxGridBandRowsViewInfo::GetWidth() {
  if (width_ == -1) {
    width_ = items_.empty() ? 50 : 0;
    for (TcxGridBandRowViewInfo* row : items_) width_ = std::max(width_, row->GetNaturalWidth());
  }
  return width_;
}

Integer TcxGridBandRowsViewInfo::GetMinWidth() {
  Integer w = 0;
  for (TcxGridBandRowViewInfo* row : items_) w = std::max(w, row->GetMinWidth());
  return w;
}

Integer TcxGridBandRowsViewInfo::GetBandContentWidth() { return band_->GetContentWidth(); }

void TcxGridBandRowsViewInfo::Calculate(const TRect& bounds) {
  Bounds = bounds;
  Integer y = bounds.Top;
  for (TcxGridBandRowViewInfo* row : items_) {
    const Integer h = row->GetHeight();
    row->Calculate(TRect(bounds.Left, y, bounds.Right, y + h));
    y += h;
  }
}

void TcxGridBandRowsViewInfo::OffsetBounds(Integer dx, Integer dy) {
  Bounds = ShiftedRect(Bounds, dx, dy);
  for (TcxGridBandRowViewInfo* row : items_) row->OffsetBounds(dx, dy);
}

Integer TcxGridBandRowsViewInfo::RowAtY(Integer y) const {
  if (items_.empty() || y < items_.front()->Bounds.Top) return items_.empty() ? 0 : -1;
  for (Integer i = 0; i < GetCount(); ++i)
    if (y < items_[size_t(i)]->Bounds.Bottom) return i;
  return GetCount();
}

// ---- bands ----------------------------------------------------------------------------------------------

TcxGridBandViewInfo::TcxGridBandViewInfo(TcxGridBandsViewInfo* bands, Integer visibleIndex)
    : TcxCustomGridViewCellViewInfo(bands->HeaderViewInfo()->GridViewInfo()),
      bands_(bands),
      visibleIndex_(visibleIndex),
      bottomIndex_(-1),
      band_(bands->Bands()->GetVisibleBand(visibleIndex)) {
  bottomIndex_ = band_->GetBottomIndex();
  header_ = new TcxGridBandHeaderViewInfo(this);
  if (bottomIndex_ != -1) {
    rows_ = new TcxGridBandRowsViewInfo(this);
    for (Integer r = 0; r < rows_->GetCount(); ++r)
      for (Integer i = 0; i < rows_->GetItem(r)->GetCount(); ++i) columnHeaders_.push_back(rows_->GetItem(r)->GetItem(i));
  }
}

TcxGridBandViewInfo::~TcxGridBandViewInfo() {
  delete rows_;
  header_->Free();
}

TcxGridBandedTableView* TcxGridBandViewInfo::GridBandedView() const { return bands_->GridBandedView(); }

TcxGridBandViewInfo* TcxGridBandViewInfo::GetParentBandViewInfo() {
  TcxGridBand* parent = band_->ParentBand();
  return parent ? bands_->GetItem(parent->GetVisibleIndex()) : nullptr;
}

Integer TcxGridBandViewInfo::GetChildBandViewInfoCount() const { return band_->GetVisibleChildBandCount(); }

TcxGridBandViewInfo* TcxGridBandViewInfo::GetChildBandViewInfo(Integer i) {
  return bands_->GetItem(band_->GetVisibleChildBand(i)->GetVisibleIndex());
}

bool TcxGridBandViewInfo::IsLastBottom() {
  return bottomIndex_ != -1 && bottomIndex_ == bands_->GetBottomBandViewInfoCount() - 1;
}

bool TcxGridBandViewInfo::IsSeparatorBand() {
  if (separator_ == -1) {
    const TcxGridBandFixedKind kind = GetFixedKind();
    separator_ = kind != fkNone && bands_->GetSeparatorBandViewInfo(kind, band_->GetLevel()) == this &&
                 GridBandedView()->GetOptionsView()->FixedBandSeparatorWidth() > 0;
  }
  return separator_ == 1;
}

TcxBorders TcxGridBandViewInfo::GetBorders() {
  if (!IsSeparatorBand()) return TcxBorders();
  return GetFixedKind() == fkLeft ? TcxBorders{bRight} : TcxBorders{bLeft};
}

Integer TcxGridBandViewInfo::GetBorderWidth(TcxBorder) {
  return GridBandedView()->GetOptionsView()->FixedBandSeparatorWidth();
}

TColor TcxGridBandViewInfo::GetBorderColor(TcxBorder) {
  return GridBandedView()->GetOptionsView()->GetFixedBandSeparatorColor();
}

Integer TcxGridBandViewInfo::BorderWidthOf(TcxBorder side) {
  return GetBorders().Contains(side) ? GetBorderWidth(side) : 0;
}

Integer TcxGridBandViewInfo::CalculateWidth() {
  if (displayWidth_ == -1) {
    Integer w;
    if (band_->Width() != 0)
      w = band_->Width() + BorderWidthOf(bLeft) + BorderWidthOf(bRight);
    else if (rows_)
      w = BorderWidthOf(bLeft) + rows_->GetWidth() + BorderWidthOf(bRight);
    else {
      w = 0;
      for (Integer i = 0; i < GetChildBandViewInfoCount(); ++i) w += GetChildBandViewInfo(i)->CalculateWidth();
    }
    displayWidth_ = std::max(w, GetMinWidth());
  }
  return displayWidth_;
}

void TcxGridBandViewInfo::SetBoundsWidth(Integer w) {
  displayWidth_ = w;
  maxWidth_ = -1;
}

Integer TcxGridBandViewInfo::GetMinContentWidth() {
  if (minContentWidth_ == -1) {
    Integer w = 0;
    if (rows_) {
      w = rows_->GetMinWidth();
      if (bottomIndex_ == 0) w = std::max(w, bands_->HeaderViewInfo()->TableViewInfo()->GetLevelIndentsWidth());
    } else {
      for (Integer i = 0; i < GetChildBandViewInfoCount(); ++i) w += GetChildBandViewInfo(i)->GetMinWidth();
    }
    minContentWidth_ = std::max(w, band_->GetMinWidth());
  }
  return minContentWidth_;
}

Integer TcxGridBandViewInfo::GetAvailableWidth() {
  TcxGridBandViewInfo* parent = GetParentBandViewInfo();
  if (!parent) return GridViewInfo()->ClientWidth();
  return parent->GetBand()->Width() != 0 ? parent->GetContentWidth() : parent->GetMaxContentWidth();
}

Integer TcxGridBandViewInfo::GetMaxWidth() {
  if (maxWidth_ != -1) return maxWidth_;
  if (!GridBandedView()->GetOptionsView()->ColumnAutoWidth() && !band_->GetWidthOwner()) return cxGridMaxBandWidth;
  Integer w = GetAvailableWidth();
  TcxGridBandViewInfo* parent = GetParentBandViewInfo();
  const Integer count = parent ? parent->GetChildBandViewInfoCount() : bands_->GetVisibleRootBandViewInfoCount();
  auto sibling = [&](Integer i) {
    return parent ? parent->GetChildBandViewInfo(i) : bands_->GetVisibleRootBandViewInfo(i);
  };
  const Integer index = band_->Position()->VisibleColIndex();
  const bool last = index == count - 1;
  for (Integer i = 0; i < count; ++i) {
    if (i == index) continue;
    w -= (i < index && !last) ? sibling(i)->CalculateWidth() : sibling(i)->GetMinWidth();
  }
  maxWidth_ = std::max(w, GetMinWidth());
  return maxWidth_;
}

void TcxGridBandViewInfo::ClampSizingWidth(Integer& width) {
  width = std::max(width, GetMinContentWidth());
  width = std::min(width, GetMaxContentWidth());
}

Integer TcxGridBandViewInfo::GetHeaderHeight() {
  if (!GridBandedView()->GetOptionsView()->BandHeaders()) return 0;
  const Integer level = band_->GetLevel();
  if (!band_->IsBottom()) return bands_->GetBandHeaderRowHeight(level);
  Integer h = 0;
  for (Integer l = level; l < bands_->GetBandHeaderRowCount(); ++l) h += bands_->GetBandHeaderRowHeight(l);
  return h;
}

TRect TcxGridBandViewInfo::GetContentBounds() {
  TRect r = Bounds;
  r.Left += BorderWidthOf(bLeft);
  r.Right -= BorderWidthOf(bRight);
  return r;
}

TRect TcxGridBandViewInfo::GetRowsAreaBounds() { return rows_ ? rows_->Bounds : TRect(); }

TcxCustomGridCellPainterClass TcxGridBandViewInfo::GetPainterClass() { return TcxGridBandPainter::StaticClass(); }

void TcxGridBandViewInfo::GetViewParams(TcxStyleParams& params) { band_->Styles()->GetBackgroundParams(params); }

TBitmap* TcxGridBandViewInfo::GetBackgroundBitmap() {
  return GridBandedView()->GetBackgroundBitmaps()->GetSetBitmap(TcxGridBandedTableBackgroundBitmaps::bbBandBackground);
}

TcxCanvas* TcxGridBandViewInfo::GetCanvas() { return GridTableMeasuringCanvas(GridViewInfo()); }

TRect TcxGridBandViewInfo::GetAreaClipBounds() {
  TRect r = bands_->HeaderViewInfo()->TableViewInfo()->HorzScrollArea();
  if (GetFixedKind() != fkNone) {
    r.Left = Bounds.Left;
    r.Right = Bounds.Right;
  }
  return r;
}

bool TcxGridBandViewInfo::HasCustomDrawBackground() { return bool(GridBandedView()->OnCustomDrawPartBackground); }

bool TcxGridBandViewInfo::CustomDrawBackground(TcxCanvas* canvas) {
  bool done = TcxCustomGridViewCellViewInfo::CustomDrawBackground(canvas);
  TcxGridBandedTableView* view = GridBandedView();
  if (!done && view->OnCustomDrawPartBackground) view->OnCustomDrawPartBackground(view, canvas, this, done);
  return done;
}

void TcxGridBandViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  TcxCustomGridViewCellViewInfo::InitHitTest(hitTest);
  if (auto* h = dynamic_cast<TcxGridBandHitTest*>(hitTest)) {
    h->SetGridView(GridBandedView());
    h->Band = band_;
    h->BandContainerKind = 0;
    h->VisibleRowIndex = -1;
  }
}

TcxCustomGridHitTest* TcxGridBandViewInfo::GetHitTest(const TPoint& p) {
  if (!Calculated()) return nullptr;
  if (TcxCustomGridHitTest* h = header_->GetHitTest(p)) return h;
  if (!rows_) {
    for (Integer i = 0; i < GetChildBandViewInfoCount(); ++i)
      if (TcxCustomGridHitTest* h = GetChildBandViewInfo(i)->GetHitTest(p)) return h;
    return nullptr;
  }
  if (GridBandedView()->GetOptionsView()->Header())
    for (TcxGridBandedColumnHeaderViewInfo* item : columnHeaders_)
      if (item->Calculated())
        if (TcxCustomGridHitTest* h = item->GetHitTest(p)) return h;
  TcxCustomGridHitTest* result = TcxCustomGridViewCellViewInfo::GetHitTest(p);
  TRect area = rows_->Bounds;
  auto* controller = dynamic_cast<TcxGridTableController*>(Controller());
  // While a column is dragged the rows area reaches 20 pixels lower (a new last band row).
  if (controller && controller->DragAndDropObject() &&
      dynamic_cast<TcxGridColumnHeaderMovingObject*>(controller->DragAndDropObject()))
    area.Bottom += 20;
  if (area.Contains(p)) {
    if (!result) {
      result = GetPooledHitTest<TcxGridBandHitTest>(p);
      InitHitTest(result);
    }
    if (auto* h = dynamic_cast<TcxGridBandHitTest*>(result)) h->VisibleRowIndex = rows_->RowAtY(p.Y);
  }
  return result;
}

void TcxGridBandViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxCustomGridViewCellViewInfo::OffsetBounds(dx, dy);
  header_->OffsetBounds(dx, dy);
  if (rows_) rows_->OffsetBounds(dx, dy);
}

void TcxGridBandViewInfo::CalculateInRect(const TRect& r) {
  TcxCustomGridViewCellViewInfo::CalculateInRect(r);
  const TRect content = GetContentBounds();
  const Integer headerHeight = GetHeaderHeight();
  header_->Visible = headerHeight > 0;
  header_->CalculateInRect(TRect(content.Left, r.Top, content.Right, r.Top + headerHeight));
  const TRect below(content.Left, r.Top + headerHeight, content.Right, r.Bottom);
  if (rows_) {
    rows_->Calculate(below);
    return;
  }
  CalculateChildBandWidths();
  Integer x = below.Left;
  for (Integer i = 0; i < GetChildBandViewInfoCount(); ++i) {
    TcxGridBandViewInfo* child = GetChildBandViewInfo(i);
    const Integer w = child->CalculateWidth();
    child->CalculateInRect(TRect(x, below.Top, x + w, below.Bottom));
    x += w;
  }
}

void TcxGridBandViewInfo::CalculateChildBandWidths() {
  const Integer n = GetChildBandViewInfoCount();
  if (n == 0) return;
  TcxAutoWidthObject autoWidth(n);
  for (Integer i = 0; i < n; ++i) {
    TcxGridBandViewInfo* child = GetChildBandViewInfo(i);
    TcxAutoWidthItem* w = autoWidth.AppendItem();
    w->MinimumWidth = child->GetMinWidth();
    w->BaseWidth = child->CalculateWidth();
    w->KeepWidth = child->GetBand()->KeepsWidthInAutoWidth();
  }
  autoWidth.AvailableSpace = GetContentWidth();
  autoWidth.Distribute();
  for (Integer i = 0; i < n; ++i) GetChildBandViewInfo(i)->SetBoundsWidth(autoWidth.ItemAt(i)->ResultWidth);
}

bool TcxGridBandViewInfo::FindDropBand(const TPoint& p, TcxGridBand*& band, Integer& zone) {
  TRect area = header_->Bounds;
  if (band_->IsRightmost()) area.Right = std::max(area.Right, GridViewInfo()->ClientBounds().Right);
  if (band_->IsRoot()) area.Top -= 20;
  if (band_->IsBottom()) area.Bottom += 20;
  const bool nested = GridBandedView()->GetOptionsCustomize()->NestedBands();
  if (area.Contains(p)) {
    band = band_;
    const TRect h = header_->Bounds;
    if (nested) {
      // The two diagonals of the header cut it into four drop zones.
      const long long L = h.Left, T = h.Top, R = h.Right, B = h.Bottom, x = p.X, y = p.Y;
      const long long s1 = (x - L) * (T - B) - (y - B) * (R - L);
      const long long s2 = (x - L) * (B - T) - (y - T) * (R - L);
      static const Integer zones[] = {3, 2, 0, 1};
      zone = zones[2 * (s1 >= 0 ? 1 : 0) + (s2 >= 0 ? 1 : 0)];
    } else {
      zone = p.X < (h.Left + h.Right) / 2 ? 0 : 2;
    }
    return true;
  }
  if (!nested) return false;
  for (Integer i = 0; i < GetChildBandViewInfoCount(); ++i)
    if (GetChildBandViewInfo(i)->FindDropBand(p, band, zone)) return true;
  return false;
}

// ---- all bands ---------------------------------------------------------------------------------------------

TcxGridBandsViewInfo::TcxGridBandsViewInfo(TcxGridBandedHeaderViewInfo* header) : header_(header) {
  items_.assign(size_t(Bands()->GetVisibleCount()), nullptr);
}

TcxGridBandsViewInfo::~TcxGridBandsViewInfo() {
  for (TcxGridBandViewInfo* item : items_)
    if (item) item->Free();
}

TcxGridBandedTableView* TcxGridBandsViewInfo::GridBandedView() const { return header_->GridBandedView(); }

TcxGridBands* TcxGridBandsViewInfo::Bands() const { return GridBandedView()->Bands(); }

TcxGridBandViewInfo* TcxGridBandsViewInfo::GetItem(Integer visibleIndex) {
  TcxGridBandViewInfo*& item = items_.at(size_t(visibleIndex));
  if (!item) item = new TcxGridBandViewInfo(this, visibleIndex);
  return item;
}

TcxGridBandViewInfo* TcxGridBandsViewInfo::GetBottomBandViewInfo(Integer index) {
  return GetItem(Bands()->GetBottomBand(index)->GetVisibleIndex());
}

Integer TcxGridBandsViewInfo::GetBottomBandViewInfoCount() const { return Bands()->GetBottomBandCount(); }

TcxGridBandViewInfo* TcxGridBandsViewInfo::GetVisibleRootBandViewInfo(Integer index) {
  return GetItem(Bands()->GetVisibleRootBand(index)->GetVisibleIndex());
}

Integer TcxGridBandsViewInfo::GetVisibleRootBandViewInfoCount() const { return Bands()->GetVisibleRootBandCount(); }

Integer TcxGridBandsViewInfo::GetLineCount() {
  if (lineCount_ == -1) {
    lineCount_ = 0;
    for (Integer i = 0; i < GetBottomBandViewInfoCount(); ++i)
      if (TcxGridBandRowsViewInfo* rows = GetBottomBandViewInfo(i)->GetRowsViewInfo())
        lineCount_ = std::max(lineCount_, rows->GetLineCount());
  }
  return lineCount_;
}

Integer TcxGridBandsViewInfo::GetRowCount() {
  if (rowCount_ == -1) {
    rowCount_ = 0;
    for (Integer i = 0; i < GetBottomBandViewInfoCount(); ++i)
      if (TcxGridBandRowsViewInfo* rows = GetBottomBandViewInfo(i)->GetRowsViewInfo())
        rowCount_ = std::max(rowCount_, rows->GetCount());
  }
  return rowCount_;
}

void TcxGridBandsViewInfo::CalculateBandHeaderRowHeights() {
  if (!rowHeights_.empty()) return;
  for (Integer i = 0; i < Count(); ++i) {
    TcxGridBandViewInfo* band = GetItem(i);
    const size_t level = size_t(band->GetBand()->GetLevel());
    if (rowHeights_.size() <= level) rowHeights_.resize(level + 1, 0);
    rowHeights_[level] = std::max(rowHeights_[level], band->GetHeaderViewInfo()->CalculateHeight());
  }
}

Integer TcxGridBandsViewInfo::GetBandHeaderRowCount() {
  CalculateBandHeaderRowHeights();
  return Integer(rowHeights_.size());
}

Integer TcxGridBandsViewInfo::GetBandHeaderRowHeight(Integer level) {
  CalculateBandHeaderRowHeights();
  return level >= 0 && level < Integer(rowHeights_.size()) ? rowHeights_[size_t(level)] : 0;
}

Integer TcxGridBandsViewInfo::GetBandHeadersAreaHeight() {
  if (areaHeight_ == -1) {
    areaHeight_ = 0;
    TcxGridBandedTableView* view = GridBandedView();
    if (view->GetOptionsView()->BandHeaders()) {
      for (Integer i = 0; i < GetBandHeaderRowCount(); ++i) areaHeight_ += GetBandHeaderRowHeight(i);
      if (areaHeight_ == 0) {
        // No visible band: one band header high, in the view's band header font.
        if (view->GetOptionsView()->BandHeaderHeight() != 0) {
          areaHeight_ = view->GetOptionsView()->BandHeaderHeight();
        } else {
          TcxStyleParams params;
          view->GetStyles()->GetBandHeaderParams(nullptr, params);
          TcxCanvas* canvas = GridTableMeasuringCanvas(header_->GridViewInfo());
          areaHeight_ = view->GetOptionsView()->BandHeaderLineCount() *
                        TcxGridColumnHeaderViewInfo::HeightForText(
                            canvas->MeasureFontHeight(params.Font),
                            header_->GridViewInfo()->GetLookAndFeelPainter()->HeaderFrameWidth());
        }
      }
    }
  }
  return areaHeight_;
}

Integer TcxGridBandsViewInfo::GetColumnHeadersAreaHeight() {
  if (!GridBandedView()->GetOptionsView()->Header()) return 0;
  return header_->Specific()->Height();
}

TcxGridBandViewInfo* TcxGridBandsViewInfo::GetSeparatorBandViewInfo(TcxGridBandFixedKind kind, Integer level) {
  TcxGridBands* bands = Bands();
  TcxGridBand* band = nullptr;
  if (kind == fkLeft && bands->GetFirstVisibleRootIndex(fkLeft) <= bands->GetLastVisibleRootIndex(fkLeft))
    band = bands->GetVisibleRootBand(bands->GetLastVisibleRootIndex(fkLeft));
  else if (kind == fkRight && bands->GetFirstVisibleRootIndex(fkRight) <= bands->GetLastVisibleRootIndex(fkRight))
    band = bands->GetVisibleRootBand(bands->GetFirstVisibleRootIndex(fkRight));
  for (Integer l = 0; band && l < level; ++l) {
    const Integer n = band->GetVisibleChildBandCount();
    band = n == 0 ? nullptr : band->GetVisibleChildBand(kind == fkLeft ? n - 1 : 0);
  }
  return band ? GetItem(band->GetVisibleIndex()) : nullptr;
}

void TcxGridBandsViewInfo::FindDropBand(const TPoint& p, TcxGridBand*& band, Integer& zone) {
  band = nullptr;
  zone = 0;
  for (Integer i = 0; i < GetVisibleRootBandViewInfoCount(); ++i)
    if (GetVisibleRootBandViewInfo(i)->FindDropBand(p, band, zone)) return;
  band = nullptr;
  zone = 0;
}

void TcxGridBandsViewInfo::CalculateAutoWidths() {
  const Integer n = GetVisibleRootBandViewInfoCount();
  if (n == 0) return;
  TcxAutoWidthObject autoWidth(n);
  for (Integer i = 0; i < n; ++i) {
    TcxGridBandViewInfo* band = GetVisibleRootBandViewInfo(i);
    TcxAutoWidthItem* w = autoWidth.AppendItem();
    w->MinimumWidth = band->GetMinWidth();
    w->BaseWidth = band->CalculateWidth();
    w->KeepWidth = band->GetBand()->KeepsWidthInAutoWidth();
  }
  autoWidth.AvailableSpace = header_->GridViewInfo()->ClientWidth();
  autoWidth.Distribute();
  for (Integer i = 0; i < n; ++i) GetVisibleRootBandViewInfo(i)->SetBoundsWidth(autoWidth.ItemAt(i)->ResultWidth);
}

Integer TcxGridBandsViewInfo::DisplayWidth() {
  Integer w = 0;
  for (Integer i = 0; i < GetVisibleRootBandViewInfoCount(); ++i) w += GetVisibleRootBandViewInfo(i)->CalculateWidth();
  return w;
}

void TcxGridBandsViewInfo::Calculate() {
  TcxGridBands* bands = Bands();
  const TRect r = header_->Bounds;
  TcxGridTableViewInfo* info = header_->TableViewInfo();
  // Left-fixed from the left edge, right-fixed from the right edge, the rest between them.
  Integer x = r.Left;
  for (Integer i = bands->GetFirstVisibleRootIndex(fkLeft); i <= bands->GetLastVisibleRootIndex(fkLeft); ++i) {
    TcxGridBandViewInfo* band = GetVisibleRootBandViewInfo(i);
    const Integer w = band->CalculateWidth();
    band->CalculateInRect(TRect(x, r.Top, x + w, r.Bottom));
    x += w;
  }
  const Integer scrollLeft = x;
  Integer right = info->ClientBounds().Right;
  if (bands->GetFixedKinds() == 0) right = r.Right;
  for (Integer i = bands->GetLastVisibleRootIndex(fkRight); i >= bands->GetFirstVisibleRootIndex(fkRight); --i) {
    TcxGridBandViewInfo* band = GetVisibleRootBandViewInfo(i);
    const Integer w = band->CalculateWidth();
    band->CalculateInRect(TRect(right - w, r.Top, right, r.Bottom));
    right -= w;
  }
  x = scrollLeft - (header_->ScrollsHorizontally() ? 0 : info->LeftPos());
  for (Integer i = bands->GetFirstVisibleRootIndex(fkNone); i <= bands->GetLastVisibleRootIndex(fkNone); ++i) {
    TcxGridBandViewInfo* band = GetVisibleRootBandViewInfo(i);
    const Integer w = band->CalculateWidth();
    band->CalculateInRect(TRect(x, r.Top, x + w, r.Bottom));
    x += w;
  }
}

TcxCustomGridHitTest* TcxGridBandsViewInfo::GetHitTest(const TPoint& p) {
  TcxGridBands* bands = Bands();
  for (TcxGridBandFixedKind kind : {fkLeft, fkRight, fkNone})
    for (Integer i = bands->GetFirstVisibleRootIndex(kind); i <= bands->GetLastVisibleRootIndex(kind); ++i)
      if (TcxCustomGridHitTest* h = GetVisibleRootBandViewInfo(i)->GetHitTest(p)) return h;
  return nullptr;
}

void TcxGridBandsViewInfo::OffsetBounds(Integer dx, Integer dy) {
  for (TcxGridBandViewInfo* item : items_)
    if (item && item->Calculated()) item->OffsetBounds(dx, dy);
}

void TcxGridBandsViewInfo::Paint(TcxCanvas* canvas) {
  TcxGridBands* bands = Bands();
  // Fixed bands first: they leave the clip region, so scrollable ones never paint over them.
  for (TcxGridBandFixedKind kind : {fkLeft, fkRight, fkNone})
    for (Integer i = bands->GetFirstVisibleRootIndex(kind); i <= bands->GetLastVisibleRootIndex(kind); ++i) {
      TcxGridBandViewInfo* band = GetVisibleRootBandViewInfo(i);
      if (band->Calculated()) band->Paint(canvas);
    }
}

bool TcxGridBandsViewInfo::DrawBackgroundBitmap(TcxCanvas* canvas, const TRect& r, Integer bitmapIndex) {
  TBitmap* bitmap = GridBandedView()->GetBackgroundBitmaps()->GetSetBitmap(bitmapIndex);
  if (!bitmap) return false;
  canvas->FillBackground(r, bitmap);
  return true;
}

// ---- the banded header ------------------------------------------------------------------------------------

TcxGridBandedHeaderViewInfo::TcxGridBandedHeaderViewInfo(TcxCustomGridViewInfo* gridViewInfo)
    : TcxGridHeaderViewInfo(gridViewInfo) {
  bands_ = new TcxGridBandsViewInfo(this);
}

TcxGridBandedHeaderViewInfo::~TcxGridBandedHeaderViewInfo() { delete bands_; }

TcxGridBandedTableView* TcxGridBandedHeaderViewInfo::GridBandedView() const {
  return static_cast<TcxGridBandedTableView*>(GridView());
}

TcxGridBandedColumnHeaderViewInfo* TcxGridBandedHeaderViewInfo::ColumnHeader(Integer visibleIndex) {
  if (visibleIndex < 0 || visibleIndex >= GetItemViewInfoCount()) return nullptr;
  return static_cast<TcxGridBandedColumnHeaderViewInfo*>(GetItemViewInfo(visibleIndex));
}

TcxGridColumnHeaderViewInfo* TcxGridBandedHeaderViewInfo::CreateItemViewInfo(TcxGridColumn* column) {
  return new TcxGridBandedColumnHeaderViewInfo(this, column);
}

Integer TcxGridBandedHeaderViewInfo::CalculateHeight() {
  if (!IsPartVisible()) return 0;
  return bands_->GetBandHeadersAreaHeight() + bands_->GetColumnHeadersAreaHeight();
}

bool TcxGridBandedHeaderViewInfo::IsPartVisible() {
  TcxGridBandedTableOptionsView* options = GridBandedView()->GetOptionsView();
  return options->BandHeaders() || options->Header();
}

bool TcxGridBandedHeaderViewInfo::ScrollsHorizontally() {
  const Integer kinds = GridBandedView()->Bands()->GetFixedKinds();
  return kinds == 0 || kinds == 2;
}

void TcxGridBandedHeaderViewInfo::CalculateItems() { bands_->Calculate(); }

Integer TcxGridBandedHeaderViewInfo::CalculateWidth() {
  const Integer data = TcxGridHeaderViewInfo::CalculateWidth();
  if (GridBandedView()->Bands()->GetFixedKinds() == 0) return data;
  return std::max(data, GridViewInfo()->ClientWidth());
}

void TcxGridBandedHeaderViewInfo::CalculateHidden() {
  const TRect client = TableViewInfo()->ClientBounds();
  const Integer left = client.Left - (ScrollsHorizontally() ? TableViewInfo()->LeftPos() : 0);
  Bounds = TRect(left, client.Top, left + CalculateWidth(), client.Top);
  CalculateItems();
  for (Integer i = 0; i < GetItemViewInfoCount(); ++i) GetItemViewInfo(i)->Visible = false;
  TcxCustomGridPartViewInfo::CalculateHidden();
}

bool TcxGridBandedHeaderViewInfo::IsItemHeightFixed(TcxGridColumn* column) {
  return TcxGridHeaderViewInfo::IsItemHeightFixed(column) ||
         static_cast<TcxGridBandedColumn*>(column)->Position()->LineCount() > 1;
}

TRect TcxGridBandedHeaderViewInfo::GetItemsAreaBounds() {
  TRect r = TcxGridHeaderViewInfo::GetItemsAreaBounds();
  r.Top += bands_->GetBandHeadersAreaHeight();
  return r;
}

TcxCustomGridHitTest* TcxGridBandedHeaderViewInfo::GetItemHitTest(const TPoint&) { return nullptr; }

TcxCustomGridHitTest* TcxGridBandedHeaderViewInfo::GetHitTest(const TPoint& p) {
  if (Visible)
    if (TcxCustomGridHitTest* h = bands_->GetHitTest(p)) return h;
  return TcxGridHeaderViewInfo::GetHitTest(p);
}

TcxNeighbors TcxGridBandedHeaderViewInfo::GetNeighbours(TcxGridColumn* column) {
  TcxNeighbors result = TcxGridHeaderViewInfo::GetNeighbours(column);
  if (!column->IsTopmost()) result.Include(nTop);
  if (!column->IsBottommost()) result.Include(nBottom);
  return result;
}

void TcxGridBandedHeaderViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxGridHeaderViewInfo::OffsetBounds(dx, dy);
  bands_->OffsetBounds(dx, dy);
}

void TcxGridBandedHeaderViewInfo::ResetCalculated() {
  TcxGridHeaderViewInfo::ResetCalculated();
  for (Integer i = 0; i < bands_->Count(); ++i) bands_->GetItem(i)->ResetCalculated();
}

TcxCustomGridCellPainterClass TcxGridBandedHeaderViewInfo::GetPainterClass() {
  return TcxGridBandedHeaderPainter::StaticClass();
}

void TcxGridBandedHeaderViewInfo::CheckAutoWidths() {
  if (IsAutoWidth()) bands_->CalculateAutoWidths();
}

Integer TcxGridBandedHeaderViewInfo::DisplayWidth() { return bands_->DisplayWidth(); }

bool TcxGridBandedColumnContainerZone::IsSameZone(const TcxGridItemContainerZone* zone) const {
  auto* z = dynamic_cast<const TcxGridBandedColumnContainerZone*>(zone);
  return z && z->ItemIndex == ItemIndex && z->Band == Band && z->ColIndex == ColIndex && z->RowIndex == RowIndex;
}

TcxGridItemContainerZone* TcxGridBandedHeaderViewInfo::GetBandedDropZone(const TPoint& p) {
  TcxCustomGridHitTest* hit = bands_->GetHitTest(p);
  if (auto* h = dynamic_cast<TcxGridColumnHeaderHitTest*>(hit)) {
    auto* column = static_cast<TcxGridBandedColumn*>(h->Column);
    TcxGridBandedColumnHeaderViewInfo* header = ColumnHeader(column->VisibleIndex());
    if (!header) return nullptr;
    TcxGridBandedColumnPosition* pos = column->Position();
    const Integer center = (header->Bounds.Left + header->Bounds.Right) / 2;
    return new TcxGridBandedColumnContainerZone(column->VisibleIndex(), pos->Band(),
                                                pos->GetVisibleColIndex() + (p.X >= center ? 1 : 0),
                                                pos->GetVisibleRowIndex());
  }
  if (hit && hit->GetHitTestCode() == 252) {
    auto* h = static_cast<TcxGridBandHitTest*>(hit);
    if (h->VisibleRowIndex == -1) return nullptr;
    const Integer count = h->Band->Rows()->VisibleCount();
    return new TcxGridBandedColumnContainerZone(-1, h->Band, 0,
                                                h->VisibleRowIndex == count ? count : h->VisibleRowIndex + 1);
  }
  return nullptr;
}

// ---- rows and the view info ---------------------------------------------------------------------------------

Integer TcxGridBandedRowsViewInfo::CalculateDataRowHeight() {
  lineHeight_ = TcxGridRowsViewInfo::CalculateDataRowHeight();
  auto* info = static_cast<TcxGridBandedTableViewInfo*>(GridViewInfo());
  const Integer lines = info->GetBandsViewInfo()->GetLineCount();
  return lines > 0 ? lineHeight_ * lines : lineHeight_;
}

Integer TcxGridBandedRowsViewInfo::GetRowsWidth() {
  auto* info = static_cast<TcxGridBandedTableViewInfo*>(GridViewInfo());
  const Integer data = info->GetDataWidth(), client = info->ClientWidth();
  const Integer kinds = info->GridBandedView()->Bands()->GetFixedKinds();
  // Right-fixed bands sit at the client's right edge: the rows reach it.
  if (data <= client) return kinds >= 2 ? client : TcxGridRowsViewInfo::GetRowsWidth();
  switch (kinds) {
    case 1: return data - info->LeftPos();
    case 2: return client + info->LeftPos();
    case 3: return client;
    default: return data;
  }
}

void TcxGridBandedRowsViewInfo::GetDefaultBounds(TRect& r) {
  auto* info = static_cast<TcxGridBandedTableViewInfo*>(GridViewInfo());
  r = info->ClientBounds();
  if (info->GetHeaderViewInfo()->ScrollsHorizontally()) r.Left -= info->LeftPos();
  r.Right = r.Left + GetRowsWidth();
}

TClass TcxGridBandedRowsViewInfo::GetPainterClass() { return TcxGridBandedRowsPainter::StaticClass(); }

bool TcxGridBandedRowsViewInfo::NeedsBandCells() {
  if (needsBandCells_ < 0) {
    auto* info = static_cast<TcxGridBandedTableViewInfo*>(GridViewInfo());
    TcxGridBands* bands = info->GridBandedView()->Bands();
    bool needs = info->GetBandsViewInfo()->GetLineCount() > 1 || bands->GetVisibleCount() == 0;
    for (Integer i = 0; i < bands->GetVisibleCount() && !needs; ++i) {
      TcxGridBand* band = bands->GetVisibleBand(i);
      // A band with visible child bands has no column headers of its own.
      if (band->FixedKind() != fkNone || band->GetVisibleChildBandCount() > 0) {
        needs = true;
        break;
      }
      Integer columns = 0;
      bool allKeepWidth = true;
      for (Integer r = 0; r < band->Rows()->VisibleCount(); ++r) {
        TcxGridBandRow* bandRow = band->Rows()->VisibleItems(r);
        for (Integer c = 0; c < bandRow->VisibleCount(); ++c, ++columns)
          allKeepWidth = allKeepWidth && bandRow->VisibleItems(c)->KeepsWidthInAutoWidth();
      }
      needs = columns == 0 || allKeepWidth;
    }
    needsBandCells_ = needs ? 1 : 0;
  }
  return needsBandCells_ == 1;
}

std::unique_ptr<TcxGridBandedDataRowCellsAreaViewInfo> TcxGridBandedRowsViewInfo::CreateCellsArea(
    TcxGridDataRowViewInfo* row) {
  if (!row || !row->Calculated() || !NeedsBandCells()) return nullptr;
  auto area = std::make_unique<TcxGridBandedDataRowCellsAreaViewInfo>(row);
  area->Calculate(row->CellsAreaBounds());
  return area;
}

// ---- band background cells of a data row ---------------------------------------------------------

TcxGridBandedDataRowCellsAreaViewInfo::TcxGridBandedDataRowCellsAreaViewInfo(TcxGridDataRowViewInfo* row)
    : row_(row) {
  auto* info = static_cast<TcxGridBandedTableViewInfo*>(row->GridViewInfo());
  TcxGridBandsViewInfo* bands = info->GetBandsViewInfo();
  for (Integer i = 0; i < bands->GetBottomBandViewInfoCount(); ++i)
    items_.push_back(new TcxGridBandedDataRowCellsAreaItemViewInfo(this, bands->GetBottomBandViewInfo(i)));
}

TcxGridBandedDataRowCellsAreaViewInfo::~TcxGridBandedDataRowCellsAreaViewInfo() {
  for (auto* item : items_) item->Free();
}

TcxGridBandedDataRowCellsAreaItemViewInfo* TcxGridBandedDataRowCellsAreaViewInfo::ItemOfBand(
    TcxGridBandViewInfo* band) const {
  for (auto* item : items_)
    if (item->BandViewInfo() == band) return item;
  return nullptr;
}

void TcxGridBandedDataRowCellsAreaViewInfo::Calculate(const TRect& bounds) {
  Bounds = bounds;
  for (size_t i = 0; i < items_.size(); ++i) {
    TcxGridBandViewInfo* band = items_[i]->BandViewInfo();
    if (!band->Calculated()) {
      items_[i]->Visible = false;
      continue;
    }
    // The first band's cell keeps the area's left edge (the level indents of the first column).
    const Integer left = i == 0 ? bounds.Left : band->Bounds.Left;
    items_[i]->CalculateInRect(TRect(left, bounds.Top, band->Bounds.Right, bounds.Bottom));
  }
}

TcxGridBandedDataRowCellsAreaItemViewInfo::TcxGridBandedDataRowCellsAreaItemViewInfo(
    TcxGridBandedDataRowCellsAreaViewInfo* area, TcxGridBandViewInfo* band)
    : TcxCustomGridViewCellViewInfo(band->GridViewInfo()), area_(area), band_(band) {}

TcxGridDataRowViewInfo* TcxGridBandedDataRowCellsAreaItemViewInfo::RowViewInfo() const { return area_->RowViewInfo(); }

void TcxGridBandedDataRowCellsAreaItemViewInfo::CalculateInRect(const TRect& r) {
  TcxCustomGridViewCellViewInfo::CalculateInRect(r);
  const TcxBorders bandBorders = band_->GetBorders();
  hasSeparator_ = bandBorders.Contains(bLeft) || bandBorders.Contains(bRight);
  separatorSide_ = bandBorders.Contains(bLeft) ? bLeft : bRight;
  CalculateLines();
}

void TcxGridBandedDataRowCellsAreaItemViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxCustomGridViewCellViewInfo::OffsetBounds(dx, dy);
  for (TRect& line : lines_) line = ShiftedRect(line, dx, dy);
}

TRect TcxGridBandedDataRowCellsAreaItemViewInfo::SeparatorBounds() {
  if (!hasSeparator_) return TRect();
  const Integer width = static_cast<TcxGridBandedTableViewInfo*>(GridViewInfo())->GetFixedBandSeparatorWidth();
  TRect r = Bounds;
  if (separatorSide_ == bLeft)
    r.Right = std::min(r.Right, r.Left + width);
  else
    r.Left = std::max(r.Left, r.Right - width);
  return r;
}

void TcxGridBandedDataRowCellsAreaItemViewInfo::CalculateLines() {
  lines_.clear();
  auto* info = static_cast<TcxGridBandedTableViewInfo*>(GridViewInfo());
  TcxGridBandRowsViewInfo* bandRows = band_->GetRowsViewInfo();
  if (!bandRows) return;
  const TcxGridLines gridLines = info->GridBandedView()->GetOptionsView()->GridLines();
  TcxGridBandsViewInfo* bands = info->GetBandsViewInfo();
  const bool vert = bands->GetLineCount() > 1 && (gridLines == glBoth || gridLines == glVertical);
  const bool horz = bands->GetRowCount() >= 2 && gridLines == glBoth;
  if (!vert && !horz) return;
  const Integer w = info->GetGridLineWidth();
  TcxGridDataRowViewInfo* row = RowViewInfo();
  for (Integer r = 0; r < bandRows->GetCount(); ++r) {
    TcxGridBandRowViewInfo* bandRow = bandRows->GetItem(r);
    for (Integer c = 0; c < bandRow->GetCount(); ++c) {
      const Integer index = bandRow->GetItem(c)->Column()->VisibleIndex();
      if (index < 0 || index >= row->CellCount()) continue;
      TcxGridDataCellViewInfo* cell = row->ExistingCell(index);
      if (!cell || !cell->Calculated()) continue;
      const TRect b = cell->Bounds;
      if (vert && c >= 1) lines_.push_back(TRect(b.Left - w, b.Top, b.Left, b.Bottom));
      if (horz && r >= 1) lines_.push_back(TRect(b.Left, b.Top - w, b.Right, b.Top));
    }
  }
}

void TcxGridBandedDataRowCellsAreaItemViewInfo::GetViewParams(TcxStyleParams& params) {
  TcxGridDataRowViewInfo* row = RowViewInfo();
  // A focused or selected row keeps its own look across the band's free space.
  if (row->Focused() || row->Selected())
    row->GetViewParams(params);
  else
    band_->GetBand()->Styles()->GetContentParams(row->GridRecord(), nullptr, params);
}

TcxCustomGridCellPainterClass TcxGridBandedDataRowCellsAreaItemViewInfo::GetPainterClass() {
  return TcxGridBandedDataRowCellsAreaItemPainter::StaticClass();
}

bool TcxGridBandedDataRowCellsAreaItemViewInfo::HasCustomDrawBackground() {
  return bool(static_cast<TcxGridBandedTableViewInfo*>(GridViewInfo())->GridBandedView()->OnCustomDrawPartBackground);
}

bool TcxGridBandedDataRowCellsAreaItemViewInfo::CustomDrawBackground(TcxCanvas* canvas) {
  bool done = TcxCustomGridViewCellViewInfo::CustomDrawBackground(canvas);
  TcxGridBandedTableView* view = static_cast<TcxGridBandedTableViewInfo*>(GridViewInfo())->GridBandedView();
  if (!done && view->OnCustomDrawPartBackground) view->OnCustomDrawPartBackground(view, canvas, this, done);
  return done;
}

TcxGridBandedTableView* TcxGridBandedTableViewInfo::GridBandedView() const {
  return static_cast<TcxGridBandedTableView*>(GridView());
}

TColor TcxGridBandedTableViewInfo::GetFixedBandSeparatorColor() {
  return GridBandedView()->GetOptionsView()->GetFixedBandSeparatorColor();
}

Integer TcxGridBandedTableViewInfo::GetFixedBandSeparatorWidth() {
  return GridBandedView()->GetOptionsView()->FixedBandSeparatorWidth();
}

void TcxGridBandedTableViewInfo::GetHorzScrollArea(TRect& r) {
  TcxGridTableViewInfo::GetHorzScrollArea(r);
  if (!HeaderViewInfo()) return;
  TcxGridBandsViewInfo* bands = GetBandsViewInfo();
  if (TcxGridBandViewInfo* left = bands->GetSeparatorBandViewInfo(fkLeft, 0); left && left->Calculated())
    r.Left = left->Bounds.Right;
  if (TcxGridBandViewInfo* right = bands->GetSeparatorBandViewInfo(fkRight, 0); right && right->Calculated())
    r.Right = right->Bounds.Left;
}

Integer TcxGridBandedTableViewInfo::CalculateDataWidth() {
  Integer w = HeaderViewInfo() ? GetBandsViewInfo()->DisplayWidth() : 0;
  if (w == 0 && GridBandedView()->GetOptionsView()->ColumnAutoWidth()) w = ClientWidth();
  return w;
}

Integer TcxGridBandedTableViewInfo::GetCellHeight(Integer visibleIndex, Integer cellHeight) {
  auto* rows = dynamic_cast<TcxGridBandedRowsViewInfo*>(RecordsViewInfo());
  if (!rows || GetBandsViewInfo()->GetLineCount() == 0) return cellHeight;
  const Integer lines = GridBandedView()->GetVisibleColumn(visibleIndex)->Position()->LineCount();
  const Integer total = GetBandsViewInfo()->GetLineCount();
  // Variable row heights stretch the lines in proportion.
  return cellHeight * lines / total;
}

Integer TcxGridBandedTableViewInfo::GetCellTopOffset(Integer visibleIndex, Integer cellHeight) {
  TcxGridBandRow* row = GridBandedView()->GetVisibleColumn(visibleIndex)->Position()->GetRow();
  const Integer total = GetBandsViewInfo()->GetLineCount();
  if (!row || total == 0) return 0;
  return cellHeight * row->LineOffset() / total;
}

TRect TcxGridBandedTableViewInfo::GetCellClipArea(Integer visibleIndex) {
  TcxGridBand* band = GridBandedView()->GetVisibleColumn(visibleIndex)->Position()->Band();
  if (!band || band->FixedKind() != fkNone || GridBandedView()->Bands()->GetFixedKinds() == 0) return TRect();
  return HorzScrollArea();
}

// ---- the footer -------------------------------------------------------------------------------------------------

bool TcxGridBandedFooterViewInfo::ScrollsHorizontally() {
  return static_cast<TcxGridBandedTableViewInfo*>(GridViewInfo())->GetHeaderViewInfo()->ScrollsHorizontally();
}

Integer TcxGridBandedFooterViewInfo::CalculateWidth() {
  return static_cast<TcxGridBandedTableViewInfo*>(GridViewInfo())->GetHeaderViewInfo()->CalculateWidth();
}

bool TcxGridBandedFooterViewInfo::IsItemHeightFixed(TcxGridColumn* column) {
  return TcxGridFooterViewInfo::IsItemHeightFixed(column) ||
         static_cast<TcxGridBandedColumn*>(column)->Position()->LineCount() > 1;
}

bool TcxGridBandedTableViewInfo::SupportsRowHeightOptions() {
  return TcxGridTableViewInfo::SupportsRowHeightOptions() &&
         (!HeaderViewInfo() || GetHeaderViewInfo()->GetLineCount() == 1);
}

TcxCustomGridCellPainterClass TcxGridBandedTableViewInfo::GetFooterPainterClass() {
  return TcxGridBandedFooterPainter::StaticClass();
}

void TcxGridBandedFooterPainter::DrawItems() {
  TcxGridColumnContainerViewInfo* footer = Container();
  auto* info = static_cast<TcxGridBandedTableViewInfo*>(footer->GridViewInfo());
  TcxGridBandedTableView* view = info->GridBandedView();
  if (view->Bands()->GetFixedKinds() == 0) {
    TcxGridFooterPainter::DrawItems();
    return;
  }
  TcxCanvas* canvas = Canvas();
  // The footer areas of the fixed bands, up to and from their separator bands (empty when a
  // kind has none).
  const TRect bounds = footer->Bounds;
  TRect leftArea, rightArea;
  if (TcxGridBandViewInfo* band = info->GetBandsViewInfo()->GetSeparatorBandViewInfo(fkLeft, 0))
    leftArea = TRect(bounds.Left, bounds.Top, band->Bounds.Right, bounds.Bottom);
  if (TcxGridBandViewInfo* band = info->GetBandsViewInfo()->GetSeparatorBandViewInfo(fkRight, 0))
    rightArea = TRect(band->Bounds.Left, bounds.Top, bounds.Right, bounds.Bottom);
  // Cells go in visible column order: left-fixed ones with the normal clip, then the
  // right-fixed ones outside the left-fixed area, then the scrollable ones between both areas.
  // The cells keep themselves out of the clip; those painted after the save are excluded again
  // when the saved clip comes back (within the part they were drawn in).
  TcxRegion* saved = nullptr;
  TcxGridBandFixedKind stage = fkLeft;
  std::vector<TRect> painted;
  auto drawnPart = [&](TRect r) {
    if (!leftArea.IsEmpty()) r.Left = std::max(r.Left, leftArea.Right);
    if (stage == fkNone && !rightArea.IsEmpty()) r.Right = std::min(r.Right, rightArea.Left);
    return r;
  };
  for (Integer i = 0; i < footer->GetItemViewInfoCount(); ++i) {
    TcxGridColumnHeaderViewInfo* item = footer->ExistingItemViewInfo(i);
    if (!item || !item->Calculated()) continue;
    TcxGridBand* band = view->GetVisibleColumn(i)->Position()->Band();
    const TcxGridBandFixedKind kind = band ? band->FixedKind() : fkNone;
    if (kind != fkLeft && stage == fkLeft) {
      saved = canvas->CopyClipRegion();
      if (!leftArea.IsEmpty()) canvas->ExcludeFromClip(leftArea);
      stage = fkRight;
    }
    if (kind == fkNone && stage == fkRight) {
      if (!rightArea.IsEmpty()) canvas->ExcludeFromClip(rightArea);
      stage = fkNone;
    }
    item->Paint(canvas);
    auto* cell = dynamic_cast<TcxGridFooterCellViewInfo*>(item);
    if (stage != fkLeft && (!cell || cell->HasSummary())) painted.push_back(drawnPart(item->GetVisibleBounds()));
  }
  if (!saved) return;
  canvas->ApplyClipRegion(saved, roSet, true);
  for (const TRect& r : painted)
    if (!r.IsEmpty()) canvas->ExcludeFromClip(r);
}

// ---- the indicator -----------------------------------------------------------------------------------------------

void TcxGridIndicatorBandHeaderItemViewInfo::GetViewParams(TcxStyleParams& params) {
  GridBandedView()->GetStyles()->GetBandHeaderParams(nullptr, params);
}

TBitmap* TcxGridIndicatorBandHeaderItemViewInfo::GetBackgroundBitmap() {
  return GridBandedView()->GetBackgroundBitmaps()->GetSetBitmap(TcxGridBandedTableBackgroundBitmaps::bbBandHeader);
}

bool TcxGridIndicatorBandHeaderItemViewInfo::IsHotTrackable() {
  return GridBandedView()->GetOptionsCustomize()->BandsQuickCustomization();
}

String TcxGridIndicatorBandHeaderItemViewInfo::GetHintText() {
  return LoadReplaceableResString(scxGridBandsQuickCustomizationHint);
}

IcxCustomGridPopup* TcxGridIndicatorBandHeaderItemViewInfo::GetPopup() {
  TcxGridBandedTableController* controller = GridBandedView()->GetController();
  if (!controller || !controller->HasBandsCustomizationPopup()) return nullptr;
  return controller->GetBandsCustomizationPopup();
}

void TcxGridIndicatorBandHeaderItemViewInfo::ShowPopup() {
  if (TcxGridBandedTableController* controller = GridBandedView()->GetController())
    controller->GetBandsCustomizationPopup();
  TcxCustomGridIndicatorItemViewInfo::ShowPopup();
}

bool TcxGridBandedIndicatorViewInfo::IsIndicatorVisible() {
  return TcxGridIndicatorViewInfo::IsIndicatorVisible() ||
         static_cast<TcxGridBandedTableView*>(GridView())->GetOptionsCustomize()->BandsQuickCustomization();
}

void TcxGridBandedIndicatorViewInfo::CalculateAt(Integer left, Integer top, Integer width, Integer height) {
  delete bandItem_;
  bandItem_ = nullptr;
  TcxGridIndicatorViewInfo::CalculateAt(left, top, width, height);
  auto* info = static_cast<TcxGridBandedTableViewInfo*>(GridViewInfo());
  auto* view = static_cast<TcxGridBandedTableView*>(GridView());
  if (!HeaderItem() || !view->GetOptionsView()->BandHeaders()) return;
  TcxGridBandsViewInfo* bands = info->GetBandsViewInfo();
  const Integer bandArea = bands->GetBandHeadersAreaHeight(), columnArea = bands->GetColumnHeadersAreaHeight();
  bandItem_ = new TcxGridIndicatorBandHeaderItemViewInfo(this);
  AddItemAt(Bounds.Top, bandArea, bandItem_);
  HeaderItem()->CalculateAt(Bounds.Left, Bounds.Top + bandArea, IndicatorWidth(), columnArea);
  HeaderItem()->Visible = columnArea > 0;
}

// ---- painters -----------------------------------------------------------------------------------------------

void TcxGridBandedHeaderPainter::DrawItems() {
  static_cast<TcxGridBandedHeaderViewInfo*>(Container())->GetBandsViewInfo()->Paint(Canvas());
}

void TcxGridBandPainter::DrawContent() {
  auto* band = static_cast<TcxGridBandViewInfo*>(ViewInfo());
  TcxCanvas* canvas = Canvas();
  TcxRegion* saved = canvas->CopyClipRegion();
  {
    Finally restore{[&] { canvas->ApplyClipRegion(saved, roSet, true); }};
    canvas->IntersectClip(band->GetAreaClipBounds());
    if (band->GetHeaderViewInfo()->Visible) band->GetHeaderViewInfo()->Paint(canvas);
    for (Integer i = 0; i < band->GetColumnHeaderViewInfoCount(); ++i) {
      TcxGridBandedColumnHeaderViewInfo* header = band->GetColumnHeaderViewInfo(i);
      if (header->Calculated() && header->Visible) header->Paint(canvas);
    }
    for (Integer i = 0; i < band->GetChildBandViewInfoCount(); ++i) band->GetChildBandViewInfo(i)->Paint(canvas);
    // The band's background fills what its header and columns leave.
    TcxCustomGridCellPainter::DrawContent();
  }
  // Left out of the header's background behind it.
  canvas->ExcludeFromClip(band->GetContentBounds());
}

void TcxGridBandPainter::DrawBorders() {
  auto* band = static_cast<TcxGridBandViewInfo*>(ViewInfo());
  for (TcxBorder side : {bLeft, bRight})
    if (band->GetBorders().Contains(side)) {
      const TRect r = band->GetSideBorderRect(side);
      Canvas()->FillRectColor(r, band->GetBorderColor(side));
      Canvas()->ExcludeFromClip(r);
    }
}

void TcxGridBandHeaderPainter::DrawContent() {
  auto* header = static_cast<TcxGridBandHeaderViewInfo*>(ViewInfo());
  TcxCanvas* canvas = Canvas();
  const bool own = canvas == header->GetCanvas();
  TcxButtonState state = cxbsNormal;
  if (own) state = header->IsPressed() ? cxbsPressed : GridCellStateToButtonState(header->State());
  TcxDrawBackgroundEvent drawBackground;
  if (header->HasBackgroundBitmap())
    drawBackground = [this](TcxCanvas* c, const TRect& r) { return DrawBackgroundBitmap(c, r); };
  header->GridViewInfo()->GetLookAndFeelPainter()->PaintHeader(
      canvas, header->Bounds, header->GetTextAreaBounds(), TcxNeighbors(), header->Borders, state,
      header->AlignmentHorz, header->AlignmentVert, header->MultiLinePainting(), header->ShowEndEllipsis(),
      header->Text, header->Params.Font, header->Params.TextColor, header->Params.Color, drawBackground,
      header->GetBand()->IsRightmost());
  if (own && header->IsPressed()) header->GridViewInfo()->GetLookAndFeelPainter()->PaintHeaderBackground(canvas, header->Bounds);
}

void TcxGridBandedDataRowCellsAreaItemPainter::DrawContent() {
  auto* item = static_cast<TcxGridBandedDataRowCellsAreaItemViewInfo*>(ViewInfo());
  auto* info = static_cast<TcxGridBandedTableViewInfo*>(item->GridViewInfo());
  TcxCanvas* canvas = Canvas();
  const TColor lineColor = info->GetGridLineColor();
  for (const TRect& line : item->LineBounds()) {
    canvas->FillRectColor(line, lineColor);
    canvas->ExcludeFromClip(line);
  }
  if (item->HasSeparator()) {
    const TRect separator = item->SeparatorBounds();
    canvas->FillRectColor(separator, info->GetFixedBandSeparatorColor());
    canvas->ExcludeFromClip(separator);
  }
  TcxCustomGridCellPainter::DrawContent();
}

void TcxGridBandedRowsPainter::Paint() {
  TcxGridRowsPainter::Paint();
  // Each bottom band's background cell of a record takes what the record's cells leave free
  // inside the band (below a column with fewer lines than its band row, an empty band), the
  // grid lines inside the record and the fixed bands' separators.
  auto* rows = static_cast<TcxGridBandedRowsViewInfo*>(ViewInfo());
  if (!rows->NeedsBandCells()) return;
  auto* info = static_cast<TcxGridBandedTableViewInfo*>(rows->GridViewInfo());
  TcxCanvas* canvas = Canvas();
  for (Integer i = 0; i < rows->Count() && i < rows->CalculatedRowCount(); ++i) {
    auto* row = dynamic_cast<TcxGridDataRowViewInfo*>(rows->Items(i));
    std::unique_ptr<TcxGridBandedDataRowCellsAreaViewInfo> area = rows->CreateCellsArea(row);
    if (!area) continue;
    for (Integer b = 0; b < area->Count(); ++b) {
      TcxGridBandedDataRowCellsAreaItemViewInfo* item = area->Items(b);
      if (!item->Visible || !item->Calculated()) continue;
      TcxRegion* saved = canvas->CopyClipRegion();
      Finally restore{[&] { canvas->ApplyClipRegion(saved, roSet, true); }};
      canvas->IntersectClip(item->GetAreaClipBounds());
      // The row's cells are drawn already: the background goes around them.
      for (Integer c = 0; c < row->CellCount(); ++c) {
        TcxGridDataCellViewInfo* cell = row->ExistingCell(c);
        if (!cell || !cell->Calculated() || !cell->Visible) continue;
        TRect r = cell->Bounds;
        const TRect confine = info->GetCellClipArea(c);
        if (!confine.IsEmpty()) IntersectRectsOrEmpty(r, cell->Bounds, confine);
        if (!r.IsEmpty()) canvas->ExcludeFromClip(r);
      }
      item->Paint(canvas);
    }
  }
}

bool TcxGridBandedTablePainter::CanScrollWindow() {
  auto* view = static_cast<TcxGridBandedTableView*>(GridView());
  TcxGridBandedTableBackgroundBitmaps* bitmaps = view->GetBackgroundBitmaps();
  const bool fixedAndShifting =
      view->Bands()->GetFixedKinds() != 0 && (view->GetGroupedColumnCount() > 0 || view->Preview()->Active());
  return TcxGridTablePainter::CanScrollWindow() &&
         !bitmaps->GetSetBitmap(TcxGridBandedTableBackgroundBitmaps::bbBandBackground) &&
         !bitmaps->GetSetBitmap(TcxGridBandedTableBackgroundBitmaps::bbBandHeader) && !fixedAndShifting;
}

void RegisterGridBandedTableViewInfoPainters() {
  RegisterGridCellPainter<TcxGridBandedHeaderPainter>();
  RegisterGridCellPainter<TcxGridBandPainter>();
  RegisterGridCellPainter<TcxGridBandHeaderPainter>();
  RegisterGridCellPainter<TcxGridBandedFooterPainter>();
  RegisterGridCellPainter<TcxGridBandedDataRowCellsAreaItemPainter>();
  RegisterGridRecordsPainterFactory(TcxGridBandedRowsPainter::StaticClass(),
                                    [](TcxCanvas* c, TcxCustomGridRecordsViewInfo* v) -> TcxCustomGridRecordsPainter* {
                                      return new TcxGridBandedRowsPainter(c, v);
                                    });
}
