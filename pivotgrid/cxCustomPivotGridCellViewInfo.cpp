// The cell view infos of the pivot grid: field headers, group-value headers, data cells, area
// backgrounds and the filter separator; each places its parts lazily, paints itself through
// the look-and-feel painter and answers hit tests.
#include <algorithm>

#include "editors/cxDrawTextUtils.h"
#include "rtl/SysUtils.h"
#include "pivotgrid/cxCustomPivotGrid.h"

namespace {

bool ContainsRect(const TRect& outer, const TRect& inner) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
         inner.Bottom <= outer.Bottom;
}

void FillWithParams(TcxCanvas* canvas, const TRect& r, const TcxStyleParams& params) {
  canvas->CurrentBrush()->SetStyle(bsSolid);
  canvas->SetBrushColor(params.Color);
  canvas->FillBackground(r, params.Bitmap && !params.Bitmap->Empty() ? params.Bitmap : nullptr);
}

void ApplyTextParams(TcxCanvas* canvas, const TcxStyleParams& params) {
  if (params.Font) canvas->ApplyFont(params.Font);
  canvas->CurrentFont()->SetColor(params.TextColor);
}

}  // namespace

TcxBorders BordersExcept(bool noTop, bool noLeft, bool noBottom, bool noRight) {
  TcxBorders b;
  if (!noLeft) b.Include(bLeft);
  if (!noTop) b.Include(bTop);
  if (!noRight) b.Include(bRight);
  if (!noBottom) b.Include(bBottom);
  return b;
}

// ---- base ------------------------------------------------------------------------------------------

TcxPivotGridCustomCellViewInfo::TcxPivotGridCustomCellViewInfo(TcxCustomLookAndFeelPainterClass painter,
                                                               const TcxStyleParams& params, const TRect& clipRect,
                                                               const TRect& bounds)
    : Painter(painter), ViewParams(params) {
  SetBounds(bounds, clipRect);
}

void TcxPivotGridCustomCellViewInfo::SetBounds(const TRect& bounds, const TRect& clipRect) {
  Bounds = bounds;
  if (!IntersectRectsOrEmpty(VisibleBounds, bounds, clipRect)) VisibleBounds = TRect(0, 0, 0, 0);
  Visible = !VisibleBounds.IsEmpty();
  Clipped = Visible && !(VisibleBounds == Bounds);
}

TRect TcxPivotGridCustomCellViewInfo::ContentRect(const TRect& r, const TcxBorders& borders) {
  TRect c = r;
  if (borders.Contains(bLeft)) ++c.Left;
  if (borders.Contains(bTop)) ++c.Top;
  if (borders.Contains(bRight)) --c.Right;
  if (borders.Contains(bBottom)) --c.Bottom;
  return c;
}

void TcxPivotGridCustomCellViewInfo::AfterCustomDraw(TcxCanvas* canvas) {
  ViewParams.Color = canvas->CurrentBrush()->Color();
  ViewParams.TextColor = canvas->CurrentFont()->Color();
}

void TcxPivotGridCustomCellViewInfo::BeforeCustomDraw(TcxCanvas* canvas) {
  canvas->CurrentBrush()->SetStyle(bsSolid);
  canvas->SetBrushColor(ViewParams.Color);
  ApplyTextParams(canvas, ViewParams);
}

void TcxPivotGridCustomCellViewInfo::CheckCalculated() {
  if (!Visible || Calculated) return;
  Calculate();
  Calculated = true;
}

void TcxPivotGridCustomCellViewInfo::Paint() { FillWithParams(Canvas, VisibleBounds, ViewParams); }

bool TcxPivotGridCustomCellViewInfo::ExcludeFromClipping(TcxCanvas* canvas) {
  if (Visible) canvas->ExcludeFromClip(VisibleBounds);
  return Visible;
}

bool TcxPivotGridCustomCellViewInfo::GetHitTest(TcxPivotGridHitTest* hitTest) {
  CheckCalculated();
  bool hit = Visible && VisibleBounds.Contains(hitTest->HitPoint);
  if (hit) hitTest->HitCell = this;
  return hit;
}

void TcxPivotGridCustomCellViewInfo::Draw(TcxCanvas* canvas) {
  TcxCanvas* previous = Canvas;
  Canvas = canvas;
  struct TRestore {
    TcxCanvas*& c;
    TcxCanvas* p;
    ~TRestore() { c = p; }
  } restore{Canvas, previous};
  CheckCalculated();
  Paint();
}

// ---- group-value headers ---------------------------------------------------------------------------

void TcxPivotGridHeaderCellViewInfo::Calculate() {
  Borders = Painter->HeaderFrameSides(Neighbors);
  TextRect = GrowRect(ContentRect(Bounds, Borders), -2, -2);
  if (HasExpandButton) {
    int size = Painter->ExpandButtonExtent();
    ExpandButtonRect = ShiftedRect(RectFromPosSize(TextRect.Left, TextRect.Top, size, size), 1, 1);
    MarkClipped(Bounds.Right - 2 < ExpandButtonRect.Right + 2);
    TextRect.Left = ExpandButtonRect.Right + 2;
  }
  CalculateSortMarkBounds();
  CalculateImageBounds();
  // A header scrolled partly out of view paints from its visible corner.
  Bounds.Left = VisibleBounds.Left;
  Bounds.Top = VisibleBounds.Top;
}

void TcxPivotGridHeaderCellViewInfo::CalculateSortMarkBounds() {
  if (SortMark == 0) return;
  TPoint size = Painter->SortMarkAreaSize();
  SortMarkRect.Right = TextRect.Right;
  SortMarkRect.Top = (TextRect.Top + TextRect.Bottom - size.Y) / 2;
  SortMarkRect.Left = SortMarkRect.Right - size.X;
  SortMarkRect.Bottom = SortMarkRect.Top + size.Y;
  MarkClipped(SortMarkRect.Left < Bounds.Left);
  TextRect.Right = SortMarkRect.Left;
}

void TcxPivotGridHeaderCellViewInfo::CalculateImageBounds() {
  if (ImageIndex == -1 || !Images || ImageIndex >= Images->Count()) return;
  int w = Images->Width(), h = Images->Height();
  ImageRect = CenteredRect(TextRect, w, h);
  ImageRect = MoveRectTopTo(ImageRect, Bounds.Top + 2);
  if (ImageAlignHorz == taLeftJustify) {
    ImageRect = MoveRectLeftTo(ImageRect, TextRect.Left);
    TextRect.Left = ImageRect.Right + 3;
  } else if (ImageAlignHorz == taRightJustify) {
    ImageRect = MoveRectRightTo(ImageRect, TextRect.Right);
    TextRect.Right = ImageRect.Left - 1;
  }
  if (ImageAlignVert == vaBottom) ImageRect = MoveRectBottomTo(ImageRect, Bounds.Bottom - 2);
  else if (ImageAlignVert == vaCenter) ImageRect = MoveRectTopTo(ImageRect, (Bounds.Top + Bounds.Bottom - h) / 2);
  MarkClipped(!ContainsRect(Bounds, ImageRect));
}

bool TcxPivotGridHeaderCellViewInfo::DrawBackgroundBitmap(TcxCanvas* canvas, const TRect& r) {
  if (!ViewParams.Bitmap || ViewParams.Bitmap->Empty()) return false;
  canvas->FillBackground(r, ViewParams.Bitmap);
  return true;
}

void TcxPivotGridHeaderCellViewInfo::Paint() {
  TcxCanvas* canvas = Canvas;
  Painter->PaintHeader(canvas, Bounds, TextRect, Neighbors, Borders, State, AlignHorz, AlignVert, MultiLine,
                       ShowEndEllipsis, String(), ViewParams.Font, ViewParams.TextColor, ViewParams.Color,
                       [this](TcxCanvas* c, const TRect& r) { return DrawBackgroundBitmap(c, r); }, IsFieldHeader());
  if (!DisplayText.empty()) {
    canvas->CurrentBrush()->SetStyle(bsClear);
    ApplyTextParams(canvas, ViewParams);
    canvas->OutputText(DisplayText, TextRect, CellTextFlags(AlignHorz, AlignVert, MultiLine, ShowEndEllipsis));
    canvas->CurrentBrush()->SetStyle(bsSolid);
  }
  if (HasExpandButton) Painter->PaintExpandButton(canvas, ExpandButtonRect, Expanded, clDefault);
  if (SortMark != 0) Painter->PaintSortMark(canvas, SortMarkRect, SortMark == 1);
  if (ImageIndex != -1 && Images && ImageIndex < Images->Count())
    canvas->DrawImageListItem(Images, ImageRect.Left, ImageRect.Top, ImageIndex, true);
}

void TcxPivotGridHeaderCellViewInfo::CheckResizeEdge(TcxPivotGridHitTest* hitTest) {
  if (!SizableObject || !Visible) return;
  const TPoint& p = hitTest->HitPoint;
  if (p.Y < VisibleBounds.Top || p.Y >= VisibleBounds.Bottom) return;
  if (p.X < VisibleBounds.Right - 3 || p.X > VisibleBounds.Right + 3) return;
  hitTest->ResizeObject = SizableObject;
  bool can = SizableObject->CanResize();
  hitTest->SetCode(HitResizeEdge, can);
  if (!can) hitTest->ResizeObject = nullptr;
  hitTest->ResizeStart = Bounds.Right;
}

bool TcxPivotGridHeaderCellViewInfo::GetHitTest(TcxPivotGridHitTest* hitTest) {
  bool hit = TcxPivotGridCustomCellViewInfo::GetHitTest(hitTest);
  CheckResizeEdge(hitTest);
  if (!hit) return false;
  hitTest->SetCode(HitGroupHeader, true);
  if (HasExpandButton && ExpandButtonRect.Contains(hitTest->HitPoint)) hitTest->SetCode(HitExpandButton, true);
  if (Data) hitTest->HitObject = Data->GetField();
  return true;
}

int TcxPivotGridHeaderCellViewInfo::TextWidth() {
  return ViewParams.Font ? MeasureTextWidthInFont(ViewParams.Font, DisplayText) : 0;
}

bool TcxPivotGridHeaderCellViewInfo::IsTextTruncated(const TPoint& p) {
  CheckCalculated();
  if (HasExpandButton && ExpandButtonRect.Right >= p.X) return false;
  return TextWidth() > TextRect.Width();
}

// ---- field headers ----------------------------------------------------------------------------------

TcxPivotGridFieldHeaderCellViewInfo::TcxPivotGridFieldHeaderCellViewInfo(TObject* owner) : Owner(owner) {}

void TcxPivotGridFieldHeaderCellViewInfo::SetState(TcxButtonState state, TcxCustomPivotGrid* grid) {
  State = state;
  if (grid && Visible) grid->InvalidateRect(VisibleBounds);
}

TcxPivotGridField* TcxPivotGridFieldHeaderCellViewInfo::Field() const {
  return dynamic_cast<TcxPivotGridField*>(Owner);
}

IcxPivotGridField* TcxPivotGridFieldHeaderCellViewInfo::FieldIntf() const {
  if (auto* f = dynamic_cast<TcxPivotGridField*>(Owner)) return f;
  return dynamic_cast<TcxPivotGridOptionsDataField*>(Owner);
}

void TcxPivotGridFieldHeaderCellViewInfo::InitFieldHeader(TcxCanvas* canvas, TcxCustomLookAndFeelPainterClass painter,
                                                          const TcxStyleParams& params) {
  Images = nullptr;
  ImageAlignHorz = taLeftJustify;
  ImageIndex = -1;
  Canvas = canvas;
  Painter = painter;
  ViewParams = params;
  Visible = false;
  Calculated = false;
  Clipped = false;
  SortMark = 0;
  State = cxbsNormal;
  FilterActive = false;
  FilterState = cxbsDisabled;
  AreaIndex = -1;
  HasExpandButton = false;
  Expanded = false;
  Group = nullptr;
  if (TcxPivotGridField* f = Field()) {
    TcxCustomPivotGrid* grid = f->PivotGrid();
    ImageAlignHorz = f->ImageAlign();
    ImageIndex = f->ImageIndex();
    Images = grid ? grid->FieldHeaderImages() : nullptr;
    Group = f->Group();
    HasExpandButton = Group && Group->NextField(f) && !Group->HasNoVisibleFieldAfter(f);
    Expanded = HasExpandButton && f->GroupExpanded();
    DisplayText = f->Visible() || !Group ? f->Caption() : Group->Caption();
    if (grid && f->Options()->Filtering() && grid->OptionsCustomize()->Filtering() && f->Area() != faData) {
      FilterState = cxbsNormal;
      FilterActive = f->Filter()->IsActive();
    }
    if (grid && f->Options()->Sorting() && grid->OptionsCustomize()->Sorting() &&
        (f->Area() == faColumn || f->Area() == faRow))
      SortMark = f->SortOrder() == soDescending ? 2 : 1;
  } else if (auto* o = dynamic_cast<TcxPivotGridOptionsDataField*>(Owner)) {
    DisplayText = o->Caption();
  }
}

// The filter button takes the right end first, then the sort mark.
void TcxPivotGridFieldHeaderCellViewInfo::CalculateSortMarkBounds() {
  if (HasFilterButton()) {
    TPoint size = Painter->FilterDropDownButtonExtent();
    FilterButtonRect = TextRect;
    FilterButtonRect.Left = FilterButtonRect.Right - size.X;
    TextRect.Right = FilterButtonRect.Left - 2;
    MarkClipped(FilterButtonRect.Left < Bounds.Left);
  }
  TcxPivotGridHeaderCellViewInfo::CalculateSortMarkBounds();
}

TRect TcxPivotGridFieldHeaderCellViewInfo::ConnectorRect() const {
  int y = (Bounds.Top + Bounds.Bottom) / 2;
  return TRect(Bounds.Right, y, Bounds.Right + 3, y + 1);
}

void TcxPivotGridFieldHeaderCellViewInfo::Paint() {
  TcxPivotGridHeaderCellViewInfo::Paint();
  if (HasFilterButton()) Painter->PaintFilterDropDownButton(Canvas, FilterButtonRect, FilterState, FilterActive);
  if (HasExpandButton && Expanded) Canvas->FillRectColor(ConnectorRect(), clBtnText);
  if (State == cxbsPressed) Painter->PaintHeaderBackground(Canvas, Bounds);
}

bool TcxPivotGridFieldHeaderCellViewInfo::ExcludeFromClipping(TcxCanvas* canvas) {
  bool visible = TcxPivotGridCustomCellViewInfo::ExcludeFromClipping(canvas);
  if (visible && HasExpandButton && Expanded) canvas->ExcludeFromClip(ConnectorRect());
  return visible;
}

bool TcxPivotGridFieldHeaderCellViewInfo::GetHitTest(TcxPivotGridHitTest* hitTest) {
  if (!TcxPivotGridHeaderCellViewInfo::GetHitTest(hitTest)) return false;
  hitTest->HitObject = Owner;
  hitTest->SetCode(HitGroupHeader, false);
  hitTest->SetCode(HitFieldHeader, true);
  if (HasFilterButton() && FilterButtonRect.Contains(hitTest->HitPoint)) hitTest->SetCode(HitFilterButton, true);
  return true;
}

bool TcxPivotGridFieldHeaderCellViewInfo::IsTextTruncated(const TPoint& p) {
  CheckCalculated();
  if (HasFilterButton() && p.X >= FilterButtonRect.Left) return false;
  return TcxPivotGridHeaderCellViewInfo::IsTextTruncated(p);
}

bool TcxPivotGridFieldHeaderCellViewInfo::UpdateHotTrackState(const TPoint& p) {
  if (State == cxbsPressed || State == cxbsDisabled) return false;
  TcxButtonState state = cxbsNormal, filter = HasFilterButton() ? cxbsNormal : cxbsDisabled;
  if (Visible && VisibleBounds.Contains(p)) {
    state = cxbsHot;
    if (HasFilterButton() && FilterButtonRect.Contains(p)) filter = cxbsHot;
  }
  bool changed = state != State || filter != FilterState;
  State = state;
  FilterState = filter;
  return changed;
}

int TcxPivotGridFieldHeaderCellViewInfo::BestWidth() {
  int w = ViewParams.Font ? MeasureTextWidthInFont(ViewParams.Font, DisplayText) : 0;
  if (!DisplayText.empty()) w += 4;
  if (SortMark != 0) w += Painter->SortMarkAreaSize().X;
  if (HasFilterButton()) w += Painter->FilterDropDownButtonExtent().X + 2;
  if (HasExpandButton) w += Painter->ExpandButtonExtent() + 4;
  bool image = ImageIndex != -1 && Images && ImageIndex < Images->Count() && ImageAlignHorz != taCenter;
  return w + (image ? Images->Width() + 10 : 6);
}

int TcxPivotGridFieldHeaderCellViewInfo::RequiredHeight() {
  int h = Painter->HeaderHeightForText(ViewParams.Font ? MeasureTextHeightInFont(ViewParams.Font, "Wg") : 13);
  if (SortMark != 0) h = std::max(h, int(Painter->SortMarkAreaSize().Y));
  if (FilterState == cxbsNormal) h = std::max(h, int(Painter->FilterDropDownButtonExtent().Y) + 4);
  return h;
}

void TcxPivotGridFieldHeaderCellViewInfo::PaintTo(TcxCanvas* canvas, const TRect& r,
                                                  const TcxPivotGridFieldHeaderCustomDraw& customDraw,
                                                  TcxButtonState state) {
  TRect bounds = Bounds, visible = VisibleBounds;
  TcxButtonState oldState = State;
  bool wasVisible = Visible, wasClipped = Clipped;
  struct TRestore {
    TcxPivotGridFieldHeaderCellViewInfo* c;
    TRect b, v;
    TcxButtonState s;
    bool vis, clip;
    ~TRestore() {
      c->Bounds = b;
      c->VisibleBounds = v;
      c->State = s;
      c->Visible = vis;
      c->Clipped = clip;
      c->Calculated = false;
    }
  } restore{this, bounds, visible, oldState, wasVisible, wasClipped};
  Bounds = VisibleBounds = r;
  Visible = !r.IsEmpty();
  Clipped = false;
  State = state;
  Calculated = false;
  BeforeCustomDraw(canvas);
  bool done = false;
  if (customDraw) customDraw(canvas, this, done);
  AfterCustomDraw(canvas);
  if (!done) Draw(canvas);
}

// ---- data cells -------------------------------------------------------------------------------------

TcxPivotGridDataCellViewInfo::TcxPivotGridDataCellViewInfo(TcxPivotGridViewDataItem* row,
                                                           TcxPivotGridViewDataItem* column,
                                                           TcxPivotGridField* dataField)
    : row_(row), column_(column), dataField_(dataField) {}

TcxPivotGridDataCellViewInfo::TcxPivotGridDataCellViewInfo(TcxCustomLookAndFeelPainterClass painter,
                                                           const TcxStyleParams& params, const TRect& clipRect,
                                                           const TRect& bounds)
    : TcxPivotGridCustomCellViewInfo(painter, params, clipRect, bounds) {}

void TcxPivotGridDataCellViewInfo::Init(TcxPivotGridViewDataItem* row, TcxPivotGridViewDataItem* column,
                                        TcxPivotGridField* dataField) {
  row_ = row;
  column_ = column;
  dataField_ = dataField;
  crossCell_ = nullptr;
  summary_ = nullptr;
  customTotal_ = nullptr;
  Calculated = false;
  isTotal_ = false;
  for (auto* i = row_; i && !isTotal_; i = i->Parent()) isTotal_ = i->IsTotal();
  for (auto* i = column_; i && !isTotal_; i = i->Parent()) isTotal_ = i->IsTotal();
}

void TcxPivotGridDataCellViewInfo::Calculate() {
  // The text fills the cell inside its grid lines: a field's best fit (widest text + 2) is
  // measured against this rectangle.
  TextRect = ContentRect(Bounds, Borders);
  TcxPivotGridGroupItem* rowGroup = row_ ? row_->GetOwningGroupItem(dataField_) : nullptr;
  TcxPivotGridGroupItem* columnGroup = column_ ? column_->GetOwningGroupItem(dataField_) : nullptr;
  if (!dataField_ || !rowGroup || !columnGroup || dataField_->SummaryIndex() < 0) {
    DisplayText = cxPivotGridResText("<No data to display>");
    return;
  }
  crossCell_ = rowGroup->GetCrossCell(columnGroup);
  if (!crossCell_) crossCell_ = columnGroup->GetCrossCell(rowGroup);
  summaryType_ = dataField_->SummaryType();
  if (!row_->FindCustomTotal(summaryType_, customTotal_)) column_->FindCustomTotal(summaryType_, customTotal_);
  int index = dataField_->SummaryIndex();
  summary_ = crossCell_ && index < crossCell_->SummaryCount() ? crossCell_->Summaries(index) : nullptr;
  if (summary_) {
    bool plain = customTotal_ || dataField_->SummaryVariation() == svNone;
    value_ = summary_->Values(plain ? summaryType_ : cxPivotGridVariationSlot);
  } else {
    value_ = Null();
  }
  isTotal_ = false;
  for (auto* i = row_; i && !isTotal_; i = i->Parent()) isTotal_ = i->IsTotal();
  for (auto* i = column_; i && !isTotal_; i = i->Parent()) isTotal_ = i->IsTotal();
  dataField_->DoGetDisplayText(this);
}

String TcxPivotGridDataCellViewInfo::GetDisplayFormat() {
  if (customTotal_) return customTotal_->DisplayFormat();
  return dataField_ ? dataField_->GetDisplayFormat() : String();
}

void TcxPivotGridDataCellViewInfo::Paint() {
  TcxCanvas* canvas = Canvas;
  FillWithParams(canvas, Bounds, ViewParams);
  canvas->DrawFrameSides(Bounds, GridLineColor, 1, Borders);
  String text = DisplayText;
  canvas->CurrentBrush()->SetStyle(bsClear);
  ApplyTextParams(canvas, ViewParams);
  if (MarkNarrow && canvas->MeasureTextWidth(text) > TextRect.Width()) text = String(std::size_t(CharCount(text)), '#');
  canvas->OutputText(text, TextRect, ctfRight | ctfVCenter | ctfSingleLine);
  canvas->CurrentBrush()->SetStyle(bsSolid);
  TRect content = ContentRect(Bounds, Borders);
  if (FocusMark == 1) canvas->DrawFocusFrame(content);
  else if (FocusMark == 2) canvas->InvertFrame(content, 1);
}

bool TcxPivotGridDataCellViewInfo::GetHitTest(TcxPivotGridHitTest* hitTest) {
  if (!TcxPivotGridCustomCellViewInfo::GetHitTest(hitTest)) return false;
  hitTest->SetCode(HitDataCell, true);
  return true;
}

int TcxPivotGridDataCellViewInfo::BestWidth() {
  return ViewParams.Font ? MeasureTextWidthInFont(ViewParams.Font, DisplayText) : 0;
}

bool TcxPivotGridDataCellViewInfo::IsTextTruncated(const TPoint&) {
  CheckCalculated();
  return BestWidth() > TextRect.Width();
}

// ---- area backgrounds and the filter separator -----------------------------------------------------

void TcxPivotGridHeaderBackgroundCellViewInfo::Paint() {
  FillWithParams(Canvas, Bounds, ViewParams);
  if (!ShowText || DisplayText.empty()) return;
  ApplyTextParams(Canvas, ViewParams);
  Canvas->CurrentBrush()->SetStyle(bsClear);
  HDC dc = Canvas->DeviceContext();
  SetTextColor(dc, ColorToRGB(ViewParams.TextColor));
  SetBkMode(dc, TRANSPARENT);
  TRect r = Bounds;
  TextOutSimpleDC(dc, DisplayText, r, tofLeft | tofCenterVert | tofKeepTopInside | tofWordBreak, 0, 2, 2);
  Canvas->CurrentBrush()->SetStyle(bsSolid);
}

bool TcxPivotGridHeaderBackgroundCellViewInfo::GetHitTest(TcxPivotGridHitTest* hitTest) {
  if (!TcxPivotGridCustomCellViewInfo::GetHitTest(hitTest)) return false;
  hitTest->SetCode(HitHeaderArea, true);
  return true;
}

void TcxPivotGridFilterSeparatorCellViewInfo::Paint() {
  TRect r = Bounds;
  Canvas->FillRectColor(RectWithHorzRange(r, r.Left, r.Left + EndWidth), ViewParams.Color);
  Canvas->FillRectColor(RectWithHorzRange(r, r.Right - EndWidth, r.Right), ViewParams.Color);
  Canvas->FillRectColor(GrowRect(r, -EndWidth, 0), ViewParams.TextColor);
}

// ---- cell lists -------------------------------------------------------------------------------------

void TcxPivotGridCells::Clear() {
  if (owns_)
    for (auto* c : items_) delete c;
  items_.clear();
}

void TcxPivotGridCells::CheckCalculated() {
  for (auto* c : items_) c->CheckCalculated();
}

bool TcxPivotGridCells::GetHitTest(TcxPivotGridHitTest* hitTest) {
  for (auto* c : items_)
    if (c->GetHitTest(hitTest)) return true;
  return false;
}

void TcxPivotGridCells::ExcludeFromClipping(TcxCanvas* canvas) {
  for (auto* c : items_) c->ExcludeFromClipping(canvas);
}

void TcxPivotGridCells::PaintWithCustomDraw(TcxCanvas* canvas, const TCustomDraw& customDraw) {
  for (auto* c : items_) {
    if (!c->Visible) continue;
    TcxRegion* saved = nullptr;
    if (c->Clipped) {
      saved = canvas->CopyClipRegion();
      canvas->IntersectClip(c->VisibleBounds);
    }
    struct TRestoreClip {
      TcxCanvas* canvas;
      TcxRegion* region;
      ~TRestoreClip() {
        if (region) canvas->ApplyClipRegion(region);
      }
    } restoreClip{canvas, saved};
    c->BeforeCustomDraw(canvas);
    bool done = false;
    if (customDraw) customDraw(canvas, c, done);
    c->AfterCustomDraw(canvas);
    if (!done) c->Draw(canvas);
  }
}
