// Hit tests and their pool, cell view infos and cell painters, the view info, the view-info
// cache and the view painter.
#include <algorithm>
#include <climits>
#include <map>

#include "data/cxCustomData.h"
#include "data/cxCustomDataInternal.h"
#include "foundation/cxContainer.h"
#include "foundation/cxGeometry.h"
#include "grid/cxGrid.h"
#include "grid/cxGridCustomView.h"
#include "grid/cxGridCustomizationForm.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomGridHitTest)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridViewHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridNoneHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridViewNoneHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridCustomizationFormHitTest)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridCellViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridViewCellViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridCellPainter)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridViewInfoCache)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridPainter)

namespace {
using cxdata_internal::Finally;

std::map<TClass, TcxGridCellPainterFactory>& PainterFactories() {
  static std::map<TClass, TcxGridCellPainterFactory> factories;
  return factories;
}
}  // namespace

// ---- hit tests -------------------------------------------------------------------------------------

TcxCustomGridHitTest::~TcxCustomGridHitTest() {
  if (viewInfo_ && viewInfo_->hitTest_ == this) viewInfo_->hitTest_ = nullptr;
}

void TcxCustomGridHitTest::SetViewInfo(TcxCustomGridCellViewInfo* v) {
  if (v == viewInfo_) return;
  if (viewInfo_ && viewInfo_->hitTest_ == this) viewInfo_->hitTest_ = nullptr;
  viewInfo_ = v;
  if (!v) return;
  // A cell keeps one back reference: a hit test that held the cell before lets it go, so that
  // no hit test is left pointing at a cell that does not know it.
  if (v->hitTest_ && v->hitTest_ != this) v->hitTest_->viewInfo_ = nullptr;
  v->hitTest_ = this;
}

TGridHitTests::~TGridHitTests() {
  for (TcxCustomGridHitTest* h : items_) h->Free();
}

TcxCustomGridHitTest* TGridHitTests::GetPooledInstance(TClass cls, const TPoint& p) {
  TcxCustomGridHitTest* result = nullptr;
  for (TcxCustomGridHitTest* h : items_)
    if (h->ClassType() == cls) {
      result = h;
      break;
    }
  if (!result) {
    result = static_cast<TcxCustomGridHitTest*>(cls->Create());
    items_.push_back(result);
  }
  result->SetPos(p);
  return result;
}

// ---- cells -------------------------------------------------------------------------------------------

TcxCustomGridCellViewInfo::TcxCustomGridCellViewInfo() = default;

TcxCustomGridCellViewInfo::~TcxCustomGridCellViewInfo() {
  destroying_ = true;
  if (hitTest_) hitTest_->SetViewInfo(nullptr);
  EndMouseTracking(this);
}

void TcxCustomGridCellViewInfo::BeforeDestruction() {
  destroying_ = true;
  if (hitTest_) hitTest_->SetViewInfo(nullptr);
  if (IcxCustomGridPopup* popup = GetPopup())
    if (popup->PopupOwner() == this) popup->SetPopupOwner(nullptr);
  SetMouseCapture(false);
  SetState(gcsNone);
  EndMouseTracking(this);
  TObject::BeforeDestruction();
}

void TcxCustomGridCellViewInfo::MouseLeave() { SetState(gcsNone); }

void TcxCustomGridCellViewInfo::ResetHotTrackState() {
  if (IsCapturingMouse()) return;
  if (state_ == gcsHot || (state_ == gcsPressed && !HasPopup())) SetState(gcsNone);
}

void TcxCustomGridCellViewInfo::AfterCalculateBounds() {
  innerBounds_ = TRect();
  contentBounds_ = TRect();
}

void TcxCustomGridCellViewInfo::AfterCustomDraw(TcxCanvas* canvas) {
  Params.Color = canvas->CurrentBrush()->Color();
  Params.Font = canvas->CurrentFont();
  Params.TextColor = canvas->CurrentFont()->Color();
}

void TcxCustomGridCellViewInfo::BeforeCustomDraw(TcxCanvas* canvas) {
  canvas->SetBrushColor(Params.Color);
  if (Params.Font) canvas->ApplyFont(Params.Font);
  canvas->CurrentFont()->SetColor(Params.TextColor);
}

TRect TcxCustomGridCellViewInfo::CalculateInnerBounds() {
  return TRect(Bounds.Left + EffectiveBorderWidth(bLeft), Bounds.Top + EffectiveBorderWidth(bTop),
               Bounds.Right - EffectiveBorderWidth(bRight), Bounds.Bottom - EffectiveBorderWidth(bBottom));
}

TRect TcxCustomGridCellViewInfo::InnerBounds() {
  if (innerBounds_.IsEmpty()) innerBounds_ = CalculateInnerBounds();
  return innerBounds_;
}

TRect TcxCustomGridCellViewInfo::ContentBounds() {
  if (contentBounds_.IsEmpty()) contentBounds_ = CalculateContentBounds();
  return contentBounds_;
}

void TcxCustomGridCellViewInfo::CalculateTextAndParams() {
  AlignmentHorz = GetAlignmentHorz();
  AlignmentVert = GetAlignmentVert();
  GetViewParams(Params);
  Borders = GetBorders();
  Text = GetText();
  multiLine_ = CalculateMultiLine();
  multiLinePainting_ = CalculateMultiLinePainting();
  SetBoundsWidth(CalculateWidth());
}

void TcxCustomGridCellViewInfo::EnsureTextAndParams() {
  if (calculated_ || calculating_) return;
  calculating_ = true;
  Finally done{[this] { calculating_ = false; }};
  CalculateTextAndParams();
}

void TcxCustomGridCellViewInfo::Invalidate() {
  if (destroying_) return;
  TcxControl* control = GetControl();
  if (control && control->HandleAllocated()) InvalidateControlRect(control, Bounds, false);
}

bool TcxCustomGridCellViewInfo::DoCustomDraw(TcxCanvas* canvas) {
  if (!HasCustomDraw()) return false;
  BeforeCustomDraw(canvas);
  bool done = CustomDraw(canvas);
  if (!done) AfterCustomDraw(canvas);
  return done;
}

bool TcxCustomGridCellViewInfo::DoCustomDrawBackground(TcxCanvas* canvas) {
  if (!HasCustomDrawBackground()) return false;
  BeforeCustomDraw(canvas);
  bool done = CustomDrawBackground(canvas);
  if (!done) AfterCustomDraw(canvas);
  return done;
}

TRect TcxCustomGridCellViewInfo::GetSideBorderRect(TcxBorder side) {
  TRect inner = InnerBounds();
  Integer w = EffectiveBorderWidth(side);
  switch (side) {
    case bLeft:
      return TRect(inner.Left - w, inner.Top - EffectiveBorderWidth(bTop), inner.Left,
                   inner.Bottom + EffectiveBorderWidth(bBottom));
    case bTop: return TRect(inner.Left, inner.Top - w, inner.Right, inner.Top);
    case bRight:
      return TRect(inner.Right, inner.Top - EffectiveBorderWidth(bTop), inner.Right + w,
                   inner.Bottom + EffectiveBorderWidth(bBottom));
    case bBottom: return TRect(inner.Left, inner.Bottom, inner.Right, inner.Bottom + w);
  }
  return TRect();
}

TcxControl* TcxCustomGridCellViewInfo::GetControl() { return nullptr; }

TRect TcxCustomGridCellViewInfo::GetFocusRect() { return GrowRect(Bounds, -1, -1); }

bool TcxCustomGridCellViewInfo::IsCapturingMouse() {
  TcxControl* control = GetControl();
  return control && control->MouseCaptureHolder() == this;
}

TcxCustomGridCellPainterClass TcxCustomGridCellViewInfo::GetPainterClass() {
  return TcxCustomGridCellPainter::StaticClass();
}

TRect TcxCustomGridCellViewInfo::GetTextAreaBounds() { return GrowRect(ContentBounds(), -2, -2); }

TcxTextFlags TcxCustomGridCellViewInfo::GetTextAttributes(bool forPainting) {
  TcxTextFlags flags = 0;
  switch (AlignmentHorz) {
    case taLeftJustify: flags |= ctfLeft; break;
    case taRightJustify: flags |= ctfRight; break;
    case taCenter: flags |= ctfHCenter; break;
  }
  switch (AlignmentVert) {
    case vaTop: flags |= ctfTop; break;
    case vaBottom: flags |= ctfBottom; break;
    case vaCenter: flags |= ctfVCenter; break;
  }
  flags |= (forPainting ? multiLinePainting_ : multiLine_) ? ctfWordBreak : ctfSingleLine;
  if (ShowEndEllipsis()) flags |= ctfEndEllipsis;
  return flags;
}

Integer TcxCustomGridCellViewInfo::CalculateTextHeight(Integer angle) {
  TcxCanvas* canvas = GetCanvas();
  if (!canvas) return 0;
  if (Params.Font) canvas->ApplyFont(Params.Font);
  if (angle != 0) canvas->RotateFont(angle);
  TRect r = GetTextAreaBounds();
  TcxTextFlags flags = (GetTextAttributes(false) & ~ctfVertMask) | ctfTop;
  canvas->MeasureTextRect(GetDisplayText(), r, flags);
  return r.Height();
}

Integer TcxCustomGridCellViewInfo::CalculateTextWidth() {
  TcxCanvas* canvas = GetCanvas();
  if (!canvas) return 0;
  if (Params.Font) canvas->ApplyFont(Params.Font);
  return canvas->MeasureTextWidth(GetDisplayText());
}

TRect TcxCustomGridCellViewInfo::GetTextBounds(bool horizontal, bool vertical) {
  TRect area = GetTextAreaBounds();
  TRect r = area;
  if (horizontal && !(multiLinePainting_ && area.Width() < CalculateTextWidth())) {
    Integer w = CalculateTextWidth();
    switch (AlignmentHorz) {
      case taLeftJustify: r.Right = r.Left + w; break;
      case taRightJustify: r.Left = r.Right - w; break;
      case taCenter:
        r.Left = (area.Left + area.Right - w) / 2;
        r.Right = r.Left + w;
        break;
    }
  }
  if (vertical) {
    Integer h = CalculateTextHeight();
    switch (AlignmentVert) {
      case vaTop: r.Bottom = r.Top + h; break;
      case vaBottom: r.Top = r.Bottom - h; break;
      case vaCenter:
        r.Top = (area.Top + area.Bottom - h) / 2;
        r.Bottom = r.Top + h;
        break;
    }
  }
  return r;
}

Integer TcxCustomGridCellViewInfo::GetTextCellHeight(TcxCustomGridViewInfo* gridViewInfo, TFont* font) {
  Integer h = multiLine_ ? CalculateTextHeight() : gridViewInfo->GetFontHeight(font);
  return AddTextMargins(h);
}

bool TcxCustomGridCellViewInfo::HasPoint(const TPoint& p) {
  TRect r = Bounds;
  TRect clip = GetAreaClipBounds();
  if (!clip.IsEmpty() && !IntersectRectsOrEmpty(r, Bounds, clip)) return false;
  return r.Contains(p);
}

bool TcxCustomGridCellViewInfo::HitTestBelongs(TcxCustomGridHitTest* hitTest) {
  TClass cls = GetHitTestClass();
  return hitTest && cls && hitTest->InheritsFrom(cls);
}

void TcxCustomGridCellViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) { hitTest->SetViewInfo(this); }

void TcxCustomGridCellViewInfo::OffsetBounds(Integer dx, Integer dy) {
  Bounds = ShiftedRect(Bounds, dx, dy);
  if (!innerBounds_.IsEmpty()) innerBounds_ = ShiftedRect(innerBounds_, dx, dy);
  if (!contentBounds_.IsEmpty()) contentBounds_ = ShiftedRect(contentBounds_, dx, dy);
}

void TcxCustomGridCellViewInfo::SetBoundsHeight(Integer h) {
  Bounds.Bottom = Bounds.Top + h;
  AfterCalculateBounds();
}

void TcxCustomGridCellViewInfo::SetBoundsWidth(Integer w) {
  Bounds.Right = Bounds.Left + w;
  AfterCalculateBounds();
}

void TcxCustomGridCellViewInfo::SetMouseCapture(bool capture) {
  TcxControl* control = GetControl();
  if (!control || capture == IsCapturingMouse()) return;
  control->SetMouseCaptureHolder(capture ? this : nullptr);
}

void TcxCustomGridCellViewInfo::SetState(TcxGridCellState v) {
  if (v == state_) return;
  StateChanging();
  state_ = v;
  StateChanged();
}

void TcxCustomGridCellViewInfo::StateChanged() {
  if (InvalidateOnStateChange()) InvalidateCell();
  TcxControl* control = GetControl();
  switch (state_) {
    case gcsNone: EndMouseTracking(this); break;
    case gcsHot:
      if (control) BeginMouseTracking(control, Bounds, this);
      break;
    case gcsPressed:
      if (CaptureMouseOnPress()) SetMouseCapture(true);
      if (HasPopup()) ShowPopup();
      break;
  }
}

void TcxCustomGridCellViewInfo::ShowPopup() {
  IcxCustomGridPopup* popup = GetPopup();
  if (!popup || popup->PopupVisible()) return;
  popup->SetPopupOwner(this);
  popup->PopupShow();
}

void TcxCustomGridCellViewInfo::CalculateAt(Integer left, Integer top, Integer width, Integer height) {
  EnsureTextAndParams();
  if (width == -1) width = CalculateWidth();
  if (height == -1) height = CalculateHeight();
  Bounds = TRect(left, top, left + width, top + height);
  AfterCalculateBounds();
  calculated_ = true;
}

void TcxCustomGridCellViewInfo::CalculateInRect(const TRect& r) {
  CalculateAt(r.Left, r.Top, std::max(r.Width(), 0), std::max(r.Height(), 0));
}

Integer TcxCustomGridCellViewInfo::GetPreferredWidth() {
  return EffectiveBorderWidth(bLeft) + CalculateTextWidth() + 4 + EffectiveBorderWidth(bRight);
}

TcxCustomGridHitTest* TcxCustomGridCellViewInfo::GetHitTest(const TPoint& p) {
  if (!IsVisibleForHitTest() || !HasPoint(p)) return nullptr;
  TClass cls = GetHitTestClass();
  if (!cls) return nullptr;
  TcxCustomGridHitTest* hitTest = GridHitTests()->GetPooledInstance(cls, p);
  InitHitTest(hitTest);
  return hitTest;
}

bool TcxCustomGridCellViewInfo::PtInBounds(const TPoint& p) { return Bounds.Contains(p); }

bool TcxCustomGridCellViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState) {
  if (button != mbLeft || !IsHotTrackable() || !HitTestBelongs(hitTest) || hitTest->ViewInfo() != this) return false;
  if (HasPopup()) {
    if (state_ == gcsHot)
      SetState(gcsPressed);
    else if (state_ == gcsPressed)
      SetState(gcsHot);
  } else {
    SetState(gcsPressed);
  }
  return true;
}

bool TcxCustomGridCellViewInfo::MouseMove(TcxCustomGridHitTest* hitTest, TShiftState) {
  if (!IsHotTrackable()) return false;
  bool own = hitTest && hitTest->ViewInfo() == this;
  if (HasPopup()) {
    if (state_ == gcsPressed) return false;
    SetState(own ? gcsHot : gcsNone);
  } else {
    bool capturing = IsCapturingMouse();
    if (own && capturing)
      SetState(gcsPressed);
    else if (own || capturing)
      SetState(gcsHot);
    else
      SetState(gcsNone);
  }
  return true;
}

bool TcxCustomGridCellViewInfo::MouseUp(TcxCustomGridHitTest*, TMouseButton button, TShiftState) {
  if (button != mbLeft || HasPopup()) return false;
  bool wasPressed = state_ == gcsPressed;
  SetMouseCapture(false);
  SetState(gcsNone);
  if (wasPressed) Click();
  return wasPressed;
}

void TcxCustomGridCellViewInfo::Paint(TcxCanvas* canvas) {
  if (!IsVisible()) return;
  TClass painterClass = GetPainterClass();
  if (!painterClass) return;
  if (!canvas) canvas = GetCanvas();
  if (!canvas) return;
  std::unique_ptr<TcxCustomGridCellPainter> painter(CreateGridCellPainter(painterClass, canvas, this));
  painter->Paint();
}

// ---- view cells --------------------------------------------------------------------------------------------

TcxCustomGridViewCellViewInfo::TcxCustomGridViewCellViewInfo(TcxCustomGridViewInfo* gridViewInfo)
    : gridViewInfo_(gridViewInfo) {}

TcxCustomGridViewCellViewInfo::~TcxCustomGridViewCellViewInfo() {
  if (!Destroying()) {
    // Freed without Free: release what the base would have released while whole.
    if (HitTest()) HitTest()->SetViewInfo(nullptr);
    if (IsCapturingMouse()) GetControl()->SetMouseCaptureHolder(nullptr);
  }
  EndMouseTracking(this);
  if (gridViewInfo_) {
    gridViewInfo_->RemoveCell(this);
    if (TcxCustomGridController* c = Controller(); c && c->HintCell() == this) c->CancelHint();
  }
}

TcxCustomGridView* TcxCustomGridViewCellViewInfo::GridView() const { return gridViewInfo_->GridView(); }

TcxCustomGridController* TcxCustomGridViewCellViewInfo::Controller() const { return GridView()->Controller(); }

TcxCanvas* TcxCustomGridViewCellViewInfo::GetCanvas() { return gridViewInfo_->GetCanvas(); }

TcxControl* TcxCustomGridViewCellViewInfo::GetControl() { return gridViewInfo_->SiteWindow(); }

void TcxCustomGridViewCellViewInfo::Invalidate() {
  if (Destroying()) return;
  GridView()->QueueRepaint(Bounds);
}

void TcxCustomGridViewCellViewInfo::InvalidateCell() {
  if (Destroying()) return;
  EnsureTextAndParams();
  Invalidate();
}

bool TcxCustomGridViewCellViewInfo::HitTestBelongs(TcxCustomGridHitTest* hitTest) {
  if (!TcxCustomGridCellViewInfo::HitTestBelongs(hitTest)) return false;
  auto* viewHitTest = dynamic_cast<TcxCustomGridViewHitTest*>(hitTest);
  return !viewHitTest || viewHitTest->GridView() == GridView();
}

void TcxCustomGridViewCellViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  TcxCustomGridCellViewInfo::InitHitTest(hitTest);
  gridViewInfo_->InitHitTest(hitTest);
}

bool TcxCustomGridViewCellViewInfo::MouseMove(TcxCustomGridHitTest* hitTest, TShiftState shift) {
  bool result = TcxCustomGridCellViewInfo::MouseMove(hitTest, shift);
  if (IsVisible() && HasHint() && hitTest) CheckHint(hitTest->Pos());
  return result;
}

void TcxCustomGridViewCellViewInfo::CalculateAt(Integer left, Integer top, Integer width, Integer height) {
  TcxCustomGridCellViewInfo::CalculateAt(left, top, width, height);
  if (!HotTrackAfterCalculation() || !IsHotTrackable()) return;
  TcxGridSite* site = gridViewInfo_->SiteWindow();
  if (!site || !site->HandleAllocated() || !gridViewInfo_->CanRecalculate()) return;
  TPoint p = gridViewInfo_->MousePos();
  if (!Bounds.Contains(p)) return;
  TcxCustomGridHitTest* hitTest = GridHitTests()->GetPooledInstance(GetHitTestClass(), p);
  InitHitTest(hitTest);
  MouseMove(hitTest, TShiftState());
}

bool TcxCustomGridViewCellViewInfo::PtInHintArea(const TPoint& p) {
  TRect area = GetHintAreaBounds();
  return area.IsEmpty() ? HasPoint(p) : area.Contains(p);
}

void TcxCustomGridViewCellViewInfo::GetHintInfo(const TPoint& p, String& text, TRect& textRect, bool& isMultiLine) {
  text = GetHintText();
  GetHintTextRect(p, textRect);
  isMultiLine = IsHintMultiLine();
}

bool TcxCustomGridViewCellViewInfo::NeedsHint(const TPoint& p, String& text, TRect& textRect, bool& isMultiLine) {
  if (GetHintText().empty() || !PtInHintArea(p)) return false;
  GetHintInfo(p, text, textRect, isMultiLine);
  if (!IsHintForText()) return true;
  TRect area = GetTextAreaBounds();
  TcxCanvas* canvas = GetCanvas();
  if (!canvas) return false;
  if (Params.Font) canvas->ApplyFont(Params.Font);
  TRect measured = area;
  canvas->MeasureTextRect(GetDisplayText(), measured, (GetTextAttributes(true) & ~ctfVertMask) | ctfTop);
  if (measured.Height() > area.Height()) return true;
  if (!MultiLinePainting() && CalculateTextWidth() > area.Width()) return true;
  TRect visible = GetHintAreaBounds();
  if (visible.IsEmpty()) visible = GetVisibleBounds();
  TRect textBounds = GetTextBounds();
  TRect inter;
  return !(IntersectRectsOrEmpty(inter, textBounds, visible) && inter == textBounds);
}

void TcxCustomGridViewCellViewInfo::CheckHint(const TPoint& p) {
  String text;
  TRect textRect;
  bool multiLine = false;
  TcxCustomGridController* controller = Controller();
  if (!NeedsHint(p, text, textRect, multiLine)) {
    controller->CancelHint();
    return;
  }
  TRect area = GetHintAreaBounds();
  TRect r = area;
  if (area.IsEmpty())
    r = Bounds;
  else if (!textRect.IsEmpty())
    IntersectRectsOrEmpty(r, area, textRect);
  controller->ShowHint(r, textRect, this, Params.Font, multiLine, text);
}

// ---- cell painter -------------------------------------------------------------------------------------

void RegisterGridCellPainterFactory(TClass painterClass, TcxGridCellPainterFactory factory) {
  PainterFactories()[painterClass] = std::move(factory);
}

TcxCustomGridCellPainter* CreateGridCellPainter(TClass painterClass, TcxCanvas* canvas,
                                                TcxCustomGridCellViewInfo* viewInfo) {
  auto it = PainterFactories().find(painterClass);
  if (it != PainterFactories().end()) return it->second(canvas, viewInfo);
  return new TcxCustomGridCellPainter(canvas, viewInfo);
}

void TcxCustomGridCellPainter::DrawFocusRectIfNeeded() {
  if (CanDrawFocusRect()) PaintFocus(canvas_, viewInfo_);
}

void TcxCustomGridCellPainter::ExcludeFromClipRect() { canvas_->ExcludeFromClip(viewInfo_->GetVisibleBounds()); }

void TcxCustomGridCellPainter::DrawBackground(const TRect& r) {
  if (viewInfo_->HasBackgroundBitmap()) {
    DrawBackgroundBitmap(canvas_, r);
    return;
  }
  canvas_->FillRectColor(r, viewInfo_->Params.Color);
}

bool TcxCustomGridCellPainter::DrawBackgroundBitmap(TcxCanvas* canvas, const TRect& r) {
  TBitmap* bitmap = viewInfo_->GetBackgroundBitmap();
  if (!bitmap || bitmap->Empty()) return false;
  canvas->FillBackground(r, bitmap);
  return true;
}

void TcxCustomGridCellPainter::PaintBorderSide(TcxBorder side) {
  canvas_->FillRectColor(viewInfo_->GetSideBorderRect(side), viewInfo_->GetBorderColor(side));
}

void TcxCustomGridCellPainter::DrawBorders() {
  for (TcxBorder side : {bLeft, bTop, bRight, bBottom})
    if (viewInfo_->Borders.Contains(side)) PaintBorderSide(side);
}

void TcxCustomGridCellPainter::DrawContent() {
  if (viewInfo_->HasBackground())
    if (!viewInfo_->DoCustomDrawBackground(canvas_)) DrawBackground();
  DrawText();
}

void TcxCustomGridCellPainter::DrawFocusRect(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo) {
  TRect r = viewInfo->GetFocusRect();
  for (Integer i = 0; i < viewInfo->GetFocusRectWidth(); ++i) {
    canvas->DrawFocusFrame(r);
    r = GrowRect(r, -1, -1);
  }
}

void TcxCustomGridCellPainter::DrawText() {
  String text = viewInfo_->GetDisplayText();
  if (text.empty()) return;
  if (viewInfo_->Params.Font) canvas_->ApplyFont(viewInfo_->Params.Font);
  canvas_->CurrentFont()->SetColor(viewInfo_->Params.TextColor);
  canvas_->CurrentBrush()->SetStyle(bsClear);
  BeforeDrawText();
  canvas_->OutputText(text, viewInfo_->GetTextAreaBounds(), viewInfo_->GetTextAttributes(true));
  AfterDrawText();
  canvas_->CurrentBrush()->SetStyle(bsSolid);
}

bool TcxCustomGridCellPainter::IsVisible() { return canvas_->IsRectPartlyVisible(viewInfo_->GetVisibleBounds()); }

void TcxCustomGridCellPainter::DrawCell() {
  TcxStyleParams saved;
  viewInfo_->SaveParams(saved);
  {
    Finally restore{[&] { viewInfo_->RestoreParams(saved); }};
    if (!viewInfo_->DoCustomDraw(canvas_)) DrawContent();
  }
  DrawBorders();
}

void TcxCustomGridCellPainter::PaintFocus(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo) {
  if (viewInfo->HasFocusRect() && canvas == viewInfo->GetCanvas()) DrawFocusRect(canvas, viewInfo);
}

void TcxCustomGridCellPainter::Paint() {
  if (!IsVisible()) return;
  BeforePaint();
  DrawCell();
  DrawFocusRectIfNeeded();
  if (ExcludeFromClipping()) ExcludeFromClipRect();
}

TcxButtonState GridCellStateToButtonState(TcxGridCellState state) {
  switch (state) {
    case gcsHot: return cxbsHot;
    case gcsPressed: return cxbsPressed;
    default: return cxbsNormal;
  }
}

void AddCellTextIndents(Integer& size) { size += 4; }

// ---- view info ------------------------------------------------------------------------------------------

TcxCustomGridViewInfo::TcxCustomGridViewInfo(TcxCustomGridView* gridView) : TcxGridViewHandler(gridView) {}

TcxCustomGridViewInfo::~TcxCustomGridViewInfo() {
  cells_.clear();
  if (site_) {
    TcxGridSite* site = site_;
    site_ = nullptr;
    site->Free();
  }
}

void TcxCustomGridViewInfo::CreateSite() {
  if (site_) return;
  site_ = static_cast<TcxGridSite*>(GetSiteClass()->Create(this));
}

TClass TcxCustomGridViewInfo::GetSiteClass() { return TcxGridSite::StaticClass(); }

void TcxCustomGridViewInfo::RemoveCell(TcxCustomGridCellViewInfo* cell) {
  cells_.erase(std::remove(cells_.begin(), cells_.end(), cell), cells_.end());
}

void TcxCustomGridViewInfo::Recalculate() {
  assignedClientBounds_ = false;
  DestroyPartViewInfos(true);
  CreatePartViewInfos();
}

bool TcxCustomGridViewInfo::CanRemoveSite() {
  TcxCustomGrid* grid = Grid();
  if (!grid || GridView()->IsDestroying()) return true;
  if (!mayHideSite_) return false;
  // The site, or a window in it (an in-place editor), holds the focus: it stays.
  if (HoldsInputFocus(site_)) return false;
  // A drop-down of the view (filter, quick customization) stays open across layouts.
  for (TcxCustomPopupWindow* popup : ShownPopups())
    if (popup->OwnerControl() == site_) return false;
  TcxCustomGridView* focused = grid->FocusedView();
  if (focused && focused->Site() && site_ && site_->HandleAllocated() && focused->Site()->HandleAllocated() &&
      IsChild(site_->Handle(), focused->Site()->Handle()))
    return false;
  return true;
}

void TcxCustomGridViewInfo::CompleteCalculation() {
  if (!IsInternal() && Controller()) Controller()->RefreshScrollBars();
  if (CanCheckCoordinates() && Controller()) Controller()->CheckCoordinates();
}

void TcxCustomGridViewInfo::BeforeCalculation() {
  if (!site_ || site_->Left() == 30000 || !site_->HandleAllocated() || site_->ComponentState().Contains(csDesigning)) {
    mousePos_ = TPoint(INT_MAX, INT_MAX);
    return;
  }
  TPoint p;
  QueryCursorPos(p);
  mousePos_ = site_->ScreenToClient(p);
}

void TcxCustomGridViewInfo::CalculateNeededHeight(Integer& height) {
  if (site_ && site_->IsHScrollBarShown()) height += GetSystemMetrics(SM_CYHSCROLL);
}

void TcxCustomGridViewInfo::CalculateNeededWidth(Integer maxWidth, Integer& width) {
  if (site_ && site_->IsVScrollBarShown()) width += GetSystemMetrics(SM_CXVSCROLL);
  if (width > maxWidth) width = maxWidth;
}

void TcxCustomGridViewInfo::GetHeight(const TPoint& maxSize, Integer& height, bool& fullyVisible) {
  height = maxSize.Y;
  fullyVisible = true;
}

TcxCustomGridHitTest* TcxCustomGridViewInfo::GetContentHitTest(const TPoint& p) {
  auto* hitTest = GetPooledHitTest<TcxGridViewNoneHitTest>(p);
  hitTest->SetViewInfo(nullptr);
  hitTest->SetGridView(GridView());
  return hitTest;
}

TBitmap* TcxCustomGridViewInfo::GetBackgroundBitmap() {
  return GridView()->BackgroundBitmaps() ? GridView()->BackgroundBitmaps()->GetBitmap(0) : nullptr;
}

TColor TcxCustomGridViewInfo::GetBackgroundColor() {
  TcxStyleParams params;
  if (auto* styles = dynamic_cast<TcxCustomGridViewStyles*>(GridView()->Styles())) {
    styles->GetBackgroundParams(params);
    return params.Color;
  }
  return clWindow;
}

bool TcxCustomGridViewInfo::CanUpdateSiteVisibility() { return !internal_ && !calculatingNeededSize_; }

void TcxCustomGridViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  if (auto* h = dynamic_cast<TcxCustomGridViewHitTest*>(hitTest)) h->SetGridView(GridView());
}

void TcxCustomGridViewInfo::SetSiteVisible(bool visible) {
  BeforeCalculation();
  if (!site_) return;
  TcxCustomGrid* grid = Grid();
  if (visible) {
    TcxCustomGridView* master = GridView()->MasterGridView();
    TWinControl* parent = master && master->Site() ? static_cast<TWinControl*>(master->Site()) : grid;
    if (site_->Parent() != parent) site_->SetParent(parent);
    if (!site_->Visible()) site_->SetVisible(true);
  } else if (CanRemoveSite()) {
    site_->SetParent(nullptr);
  } else {
    site_->SetLeft(30000);
  }
}

TcxCustomGridHitTest* TcxCustomGridViewInfo::GetHitTest(const TPoint& p) {
  // A point over the open customization form (in screen coordinates) is the form's.
  TcxCustomGridController* controller = GridView()->Controller();
  if (controller && controller->CustomizationForm() && Site() && Site()->HandleAllocated()) {
    TCustomForm* form = controller->CustomizationForm();
    if (form->Visible() && form->BoundsRect().Contains(Site()->ClientToScreen(p))) {
      auto* hitTest = GetPooledHitTest<TcxGridCustomizationFormHitTest>(p);
      hitTest->SetViewInfo(nullptr);
      hitTest->SetGridView(GridView());
      return hitTest;
    }
  }
  return GetContentHitTest(p);
}

void TcxCustomGridViewInfo::VisibilityChanged(bool visible) {
  if (!visible && !calculating_) UpdateSiteVisibility(false);
}

void TcxCustomGridViewInfo::PlaceAndCalculate(const TRect& bounds) {
  if (calculating_) return;
  BeforeCalculation();
  calculating_ = true;
  try {
    if (site_) site_->SetBoundsRect(bounds);
    if (!assignedClientBounds_ && site_) site_->ContentBounds(clientBounds_);
    Calculate();
  } catch (...) {
    calculating_ = false;
    CompleteCalculation();
    UpdateSiteVisibility(true);
    throw;
  }
  calculating_ = false;
  CompleteCalculation();
  UpdateSiteVisibility(true);
}

void TcxCustomGridViewInfo::UpdateSiteVisibility(bool useViewVisibility) {
  if (!CanUpdateSiteVisibility()) return;
  updatingSiteVisibility_ = true;
  Finally done{[this] { updatingSiteVisibility_ = false; }};
  SetSiteVisible(useViewVisibility && GridView()->IsVisible());
}

TcxCanvas* TcxCustomGridViewInfo::GetCanvas() { return site_ ? site_->Canvas() : nullptr; }

bool TcxCustomGridViewInfo::IsInternalInstance() {
  if (internal_) return true;
  TcxCustomGridView* master = GridView()->MasterGridView();
  return master && master->ViewInfo() && master->ViewInfo()->IsInternal();
}

Integer TcxCustomGridViewInfo::GetFontHeight(TFont* font) {
  TcxCanvas* canvas = GetCanvas();
  if (!canvas) return 0;
  // A site not placed yet has no window to measure with: the screen measures instead.
  if (!site_->HandleAllocated() && !site_->Parent()) canvas = SharedScreenCanvas();
  return canvas->MeasureFontHeight(font);
}

Integer TcxCustomGridViewInfo::NeededHeight() {
  calculatingNeededSize_ = true;
  Finally done{[this] { calculatingNeededSize_ = false; }};
  Integer h = 0;
  CalculateNeededHeight(h);
  return h;
}

Integer TcxCustomGridViewInfo::NeededWidth(Integer maxWidth) {
  calculatingNeededSize_ = true;
  Finally done{[this] { calculatingNeededSize_ = false; }};
  Integer w = 0;
  CalculateNeededWidth(maxWidth, w);
  return w;
}

// ---- view-info cache -------------------------------------------------------------------------------------

TcxCustomGridViewInfoCache::~TcxCustomGridViewInfoCache() { SetCount(0); }

void TcxCustomGridViewInfoCache::SetCount(Integer count) {
  for (TcxCustomGridViewInfoCacheItem* item : items_) delete item;
  items_.assign(size_t(std::max(count, 0)), nullptr);
}

TcxCustomGridViewInfoCacheItem* TcxCustomGridViewInfoCache::ExistingItem(Integer index) const {
  return index >= 0 && index < Integer(items_.size()) ? items_[size_t(index)] : nullptr;
}

TcxCustomGridViewInfoCacheItem* TcxCustomGridViewInfoCache::GetItem(Integer index) {
  if (index < 0) return nullptr;
  if (index >= Integer(items_.size())) items_.resize(size_t(index) + 1, nullptr);
  if (!items_[size_t(index)]) items_[size_t(index)] = CreateItem(index);
  return items_[size_t(index)];
}

void TcxCustomGridViewInfoCache::UnassignValues(bool keepMaster) {
  if (unassigning_) return;
  unassigning_ = true;
  Finally done{[this] { unassigning_ = false; }};
  for (TcxCustomGridViewInfoCacheItem* item : items_)
    if (item) item->ClearCachedSizes(keepMaster);
  if (keepMaster) return;
  for (TcxCustomGridView* view = GridView(); view; view = view->MasterGridView()) {
    TcxCustomGridView* master = view->MasterGridView();
    if (!master || !master->ViewInfoCache() || !view->DataController()) continue;
    if (TcxCustomGridViewInfoCacheItem* item =
            master->ViewInfoCache()->GetItem(view->DataController()->GetMasterRecordIndex()))
      item->ClearCachedSizes(keepMaster);
  }
}

// ---- view painter --------------------------------------------------------------------------------------------

TcxCustomGridPainter::~TcxCustomGridPainter() {
  delete backgroundRegion_;
  delete savedClipRegion_;
}

TcxCanvas* TcxCustomGridPainter::Canvas() { return canvas_ ? canvas_ : (ViewInfo() ? ViewInfo()->GetCanvas() : nullptr); }

TcxCustomGridViewInfo* TcxCustomGridPainter::PaintViewInfo() { return viewInfo_ ? viewInfo_ : ViewInfo(); }

void TcxCustomGridPainter::Paint(TcxCanvas* canvas, TcxCustomGridViewInfo* viewInfo) {
  canvas_ = canvas;
  viewInfo_ = viewInfo;
  Finally clear{[this] {
    canvas_ = nullptr;
    viewInfo_ = nullptr;
  }};
  if (Controller()) Controller()->BeforePaint();
  BeforePaint();
  {
    Finally after{[this] { AfterPaint(); }};
    PaintViewContent();
  }
  if (Controller()) Controller()->AfterPaint();
}

void TcxCustomGridPainter::BeforePaint() {
  delete savedClipRegion_;
  savedClipRegion_ = Canvas()->CopyClipRegion();
  delete backgroundRegion_;
  backgroundRegion_ = new TcxRegion(PaintViewInfo()->ClientBounds());
}

void TcxCustomGridPainter::AfterPaint() {
  DrawBackground();
  delete backgroundRegion_;
  backgroundRegion_ = nullptr;
  if (savedClipRegion_) {
    Canvas()->ApplyClipRegion(savedClipRegion_, roSet, true);
    savedClipRegion_ = nullptr;
  }
}

void TcxCustomGridPainter::DrawBackground() {
  TcxCanvas* canvas = Canvas();
  TcxCustomGridViewInfo* info = PaintViewInfo();
  if (!backgroundRegion_) return;
  TBitmap* bitmap = info->GetBackgroundBitmap();
  if (bitmap && !bitmap->Empty()) {
    TcxRegion* saved = canvas->CopyClipRegion();
    TcxRegion* bg = new TcxRegion();
    bg->CombineWith(backgroundRegion_, roSet, false);
    canvas->ApplyClipRegion(bg, roIntersect, true);
    canvas->FillBackground(info->ClientBounds(), bitmap);
    canvas->ApplyClipRegion(saved, roSet, true);
  } else {
    TcxRegion* saved = canvas->CopyClipRegion();
    TcxRegion* bg = new TcxRegion();
    bg->CombineWith(backgroundRegion_, roSet, false);
    canvas->ApplyClipRegion(bg, roIntersect, true);
    canvas->FillRectColor(backgroundRegion_->BoundsRect(), info->GetBackgroundColor());
    canvas->ApplyClipRegion(saved, roSet, true);
  }
}

void TcxCustomGridPainter::DrawFocusRect(const TRect& r, bool hideFocusRect) {
  TcxCanvas* canvas = Canvas();
  if (GridView()->IsControlFocused()) {
    canvas->DrawFocusFrame(r);
  } else if (!hideFocusRect) {
    canvas->InvertArea(TRect(r.Left, r.Top, r.Right, r.Top + 1));
    canvas->InvertArea(TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom));
    canvas->InvertArea(TRect(r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1));
    canvas->InvertArea(TRect(r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1));
  }
}

void TcxCustomGridPainter::ExcludeFromBackground(const TRect& r) {
  if (!backgroundRegion_) return;
  backgroundRegion_->CombineWith(new TcxRegion(r), roSubtract, true);
}

void TcxCustomGridPainter::Invalidate() {
  TcxGridSite* site = Site();
  if (site && site->HandleAllocated()) InvalidateControlRect(site, site->ClientRect(), false);
}

void TcxCustomGridPainter::InvalidateRect(const TRect& r) {
  TcxGridSite* site = Site();
  if (site && site->HandleAllocated()) InvalidateControlRect(site, r, false);
}

void TcxCustomGridPainter::InvalidateRegion(TcxRegion* region) {
  TcxGridSite* site = Site();
  if (site && site->HandleAllocated()) site->InvalidateRegion(region, false);
}
