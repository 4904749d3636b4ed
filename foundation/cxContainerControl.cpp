// The container control: state, layout, painting, window region, the inner control with
// its focus, keys and painted scroll bars; and the inner list box.
#include <algorithm>
#include <functional>

#include "foundation/cxContainer.h"

#include <cstdint>
#include <numeric>
#include "foundation/dxOffice11.h"
#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "rtl/ScopeExit.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "vcl/ControlMessages.h"

namespace {
constexpr Cardinal CN_KEYDOWN = CN_BASE + WM_KEYDOWN, CN_KEYUP = CN_BASE + WM_KEYUP, CN_CHAR = CN_BASE + WM_CHAR,
                   CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;

bool IsKeyMessage(Cardinal msg) {
  return msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR || msg == CN_KEYDOWN || msg == CN_KEYUP ||
         msg == CN_CHAR;
}
}  // namespace

// ---- container -------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxContainer) {
  using C = TcxContainer;
  p.Object("Style", &C::Style, &C::SetStyle, TcxContainerStyle::StaticClass());
  p.Object("StyleDisabled", &C::StyleDisabled, &C::SetStyleDisabled, TcxContainerStyle::StaticClass());
  p.Object("StyleFocused", &C::StyleFocused, &C::SetStyleFocused, TcxContainerStyle::StaticClass());
  p.Object("StyleHot", &C::StyleHot, &C::SetStyleHot, TcxContainerStyle::StaticClass());
  // Read and ignored: the base style's StyleController is what is stored.
  p.Object("FakeStyleController", &C::FakeStyleController, &C::SetFakeStyleController,
           TcxStyleController::StaticClass())
      .Stored(false);
  p.Bool("TabStop", &C::TabStop, &C::SetTabStop).Default(true);
}

TcxContainer::TcxContainer(TComponent* owner) : TcxControl(owner) {
  InitializeCxContainer();
  ControlStyle() += csCaptureMouse;
  ControlStyle() += csSetCaption;
  SetTabStop(true);
  SetBorderStyle(cxcbsNone);  // the container draws its own frame
  ResetChildRegion();
}

void TcxContainer::MakeCompanions() const {
  auto* self = const_cast<TcxContainer*>(this);
  if (styles_ || beingFreed_) return;
  self->creating_ = true;
  TScopeExit done([self] { self->creating_ = false; });
  styles_.reset(self->StylesClass()(self, self->StyleClass()));
  styles_->SetChangeHandler([self](TObject* s) { self->ApplyStyleToControl(s); });
  self->cachedStyle_ = Style();
  self->cachedStateFlags_ = {csfNormal};
  if (!viewInfo_) viewInfo_.reset(self->CreateViewInfo());
  self->LookAndFeel()->AttachToMaster(Style()->LookAndFeel());
  self->internalSetting_ = true;
  TScopeExit clear([self] { self->internalSetting_ = false; });
  TColor c;
  self->SetParentColor(self->DefaultParentColor() && !self->IsInplace() && !Style()->LookupColor(c));
  if (!self->ParentColor()) self->SetColor(clWindow);
}

TcxContainerViewInfo* TcxContainer::CreateViewInfo() { return TcxContainerViewInfo::CreateOfClass(ViewInfoClass()); }

TcxContainerStyles* TcxContainer::ContainerStyles() const {
  if (!styles_) MakeCompanions();
  return styles_.get();
}

TcxContainerViewInfo* TcxContainer::ViewInfo() const {
  if (!styles_) MakeCompanions();
  if (!viewInfo_) viewInfo_.reset(const_cast<TcxContainer*>(this)->CreateViewInfo());
  return viewInfo_.get();
}

void TcxContainer::SetDragMode(TDragMode v) {
  TcxControl::SetDragMode(v);
  if (innerControl_) innerControl_->SetDragMode(v);
}

void TcxContainer::ApplyDragKind(TDragKind v) {
  TcxControl::SetDragKind(v);
  if (innerControl_) innerControl_->SetDragKind(v);
}

TDragImageList* TcxContainer::DoGetDragImages() {
  return innerControl_ ? innerControl_->GetDragImages() : TcxControl::DoGetDragImages();
}

void TcxContainer::ChangeScale(Integer m, Integer d) {
  TcxContainerStyle* base = Style();
  bool scaleFont = m != d && d != 0 && base->ReadStyleValue(svFont);
  {
    internalSetting_ = !ParentFont();
    TScopeExit clear([this] { internalSetting_ = false; });
    TcxControl::ChangeScale(m, d);
  }
  if (!scaleFont) return;
  if (base->StoredAssignedValues().Contains(svFont)) {
    base->Font()->SetSize(MulDiv(base->Font()->Size(), m, d));
  } else if (IsLoading()) {
    if (TcxStyleController* c = base->ActiveStyleController()) c->ScaleFont(m, d);
  } else {
    // The font comes from the controller and is copied again at each of its changes: the
    // container keeps the scale and applies it to every copy.
    Int64 nm = Int64(fontScaleM_) * m, nd = Int64(fontScaleD_) * d;
    Int64 g = std::gcd(nm < 0 ? -nm : nm, nd < 0 ? -nd : nd);
    if (g > 1) {
      nm /= g;
      nd /= g;
    }
    if (nm > INT32_MAX || nd > INT32_MAX || nm < INT32_MIN || nd < INT32_MIN || nd == 0) return;
    fontScaleM_ = Integer(nm);
    fontScaleD_ = Integer(nd);
    base->RefreshFontFromController();
    ApplyStyleToControl(base);
  }
}

void TcxContainer::ScaleControllerFont(TFont* font) const {
  if (font && fontScaleM_ != fontScaleD_) font->SetSize(MulDiv(font->Size(), fontScaleM_, fontScaleD_));
}

void TcxContainer::SetParent(TWinControl* parent) {
  MakeCompanions();
  TcxControl::SetParent(parent);
}

TcxContainer::~TcxContainer() {
  EndMouseTracking(this);
  beingFreed_ = true;
  viewInfo_.reset();
  if (styles_) {
    styles_->SetChangeHandler(nullptr);
    LookAndFeel()->AttachToMaster(nullptr);
    styles_.reset();
  }
}

void TcxContainer::BeforeDestruction() {
  EndMouseTracking(this);
  TcxControl::BeforeDestruction();
}

bool TcxContainer::InDestruction() const {
  return beingFreed_ || ComponentState().Contains(csDestroying);
}

void TcxContainer::Loaded() {
  TcxControl::Loaded();
  ApplyStyleToControl(Style());
}

void TcxContainer::CreateParams(TCreateParams& params) {
  TcxControl::CreateParams(params);
  params.WindowClassStyle &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TcxContainer::CreateWnd() {
  MakeCompanions();
  TcxControl::CreateWnd();
  PostMessage(Handle(), DXM_CONTAINERSETFOCUS, 0, 0);
}

TcxContainerStyle* TcxContainer::StyleForCurrentState() {
  if (!(ViewInfo()->StateFlags == cachedStateFlags_)) {
    cachedStateFlags_ = ViewInfo()->StateFlags;
    cachedStyle_ = CurrentStyle();
  }
  return cachedStyle_;
}

TcxContainerStyle* TcxContainer::CurrentStyle() {
  const TcxContainerStateFlags& f = ViewInfo()->StateFlags;
  if (f.Contains(csfDisabled)) return StyleDisabled();
  if (f.Contains(csfFocused)) return StyleFocused();
  if (Style()->HotTrack() && f.Contains(csfHot)) return StyleHot();
  return Style();
}

void TcxContainer::SuspendAlignment(bool lock) {
  if (lock) ++alignLockCount_;
  else if (alignLockCount_ > 0) --alignLockCount_;
}

void TcxContainer::ApplyStyleToControl(TObject*) {
  if (creating_ || InDestruction() || IsLoading()) return;
  RefreshStateAtCursor(false);
  TcxContainerStyle* base = Style();
  if (!ParentColor() || base->StoredAssignedValues().Contains(svColor)) {
    internalSetting_ = true;
    TScopeExit clear([this] { internalSetting_ = false; });
    SetColor(base->ControlColor());
  }
  {
    internalSetting_ = true;
    TScopeExit clear([this] { internalSetting_ = false; });
    if (base->Font()) Font()->Assign(base->Font());
  }
  if (base->ReadStyleValue(svFont)) SetParentFont(false);
}

bool TcxContainer::RefreshStateAtCursor(bool isMouseEvent) {
  if (!HandleAllocated() || InDestruction() || refreshing_) return false;
  refreshing_ = true;
  TScopeExit clear([this] { refreshing_ = false; });
  TPoint p;
  ReadCursorPos(p);
  HWND w = WindowFromPoint(POINT{p.X, p.Y});
  if (w && (w == Handle() || IsChild(Handle(), w))) p = ScreenToClient(p);
  else p = TPoint(-1, -1);
  return RefreshState(p, 0, CurrentShiftState(), isMouseEvent);
}

bool TcxContainer::RefreshState(const TPoint& p, Integer, TShiftState shift, bool) {
  if (refreshLocked_ || InDestruction()) return true;
  bool hotAllowed = shift.Empty() && StyleForCurrentState()->HotTrack();
  ComputeViewInfo(p, hotAllowed);
  AlignInnerControl();
  SyncInnerControl();
  ApplyWindowRegion();
  TRect local;
  GetLocalBounds(this, local);
  if (!innerControl_) InvalidateControlArea(this, local, false);
  else if (HandleAllocated()) InvalidateAroundRect(Handle(), local, ViewInfo()->InteriorRect, false);
  if (ViewInfo()->StateFlags.Contains(csfHot)) {
    TRect r;
    HotTrackArea(r);
    BeginMouseTracking(this, r, this);
  }
  return true;
}

void TcxContainer::ComputeStateAndFrame(const TPoint& p, bool hotAllowed) {
  TcxContainerViewInfo* v = ViewInfo();
  TcxContainerStateFlags flags;
  if (!Enabled()) {
    flags = {csfDisabled};
  } else if (InDesignMode()) {
    flags = {csfNormal};
  } else {
    flags = FocusIsInside() ? TcxContainerStateFlags{csfFocused} : TcxContainerStateFlags{csfNormal};
    TRect hot;
    HotTrackArea(hot);
    if (hotAllowed && hot.Contains(p)) flags += csfHot;
  }
  v->StateFlags = flags;
  TcxContainerStyle* s = StyleForCurrentState();
  if (!s->HotTrack()) v->HotLevel = 0;
  else v->HotLevel = (flags.Contains(csfFocused) || flags.Contains(csfHot)) ? 2 : 1;
  if (v->UsesTheme) {
    v->FrameStyle = Style()->BorderStyle();
  } else {
    TcxContainerBorderStyle bs = s->BorderStyle();
    v->FrameStyle = (bs == cbsUltraFlat || bs == cbsOffice11) ? cbsSingle : bs;
  }
}

void TcxContainer::ComputeColors() {
  TcxContainerViewInfo* v = ViewInfo();
  TcxContainerStyle* s = StyleForCurrentState();
  TcxContainerBorderStyle bs = s->BorderStyle();
  if (bs != cbsUltraFlat && bs != cbsOffice11) {
    v->FrameColor = s->BorderColor();
  } else {
    const TcxContainerStateFlags& f = v->StateFlags;
    bool highlighted = f.Contains(csfFocused) || (f.Contains(csfHot) && s->HotTrack()) || (InDesignMode() && Enabled());
    if (!highlighted) v->FrameColor = clBtnShadow;
    else if (bs == cbsOffice11) v->FrameColor = Office11HighlightFrameColor;
    else v->FrameColor = clHighlight;
  }
  TColor fill = s->GetColor();
  if (v->UsesTheme && !Enabled()) {
    COLORREF c = ColorToRGB(fill);
    if (HTHEME t = OpenThemeCached(v->ThemeClassIndex)) UxGetThemeColor(t, v->ThemePart, v->ThemeState, 3802, c);
    fill = TColor(c);
  }
  v->SetFillColor(fill);
}

void TcxContainer::ComputeViewInfo(const TPoint& p, bool hotAllowed) {
  TcxContainerViewInfo* v = ViewInfo();
  v->UsesTheme = UsesThemes();
  Integer oldWidth = BorderWidthOfStyle(v->FrameStyle);
  ComputeStateAndFrame(p, hotAllowed);
  // The hot-track area depends on the frame width: a thinner frame may change the answer.
  if (!v->UsesTheme && BorderWidthOfStyle(v->FrameStyle) < oldWidth) ComputeStateAndFrame(p, hotAllowed);
  if (v->UsesTheme) {
    v->ThemeClassIndex = ThemeClass();
    v->ThemePart = ThemePartId();
    v->ThemeState = ThemeStateId();
  }
  v->OuterRect = TRect(0, 0, Width(), Height());
  TRect e;
  FrameExtent(e);
  v->InteriorRect = TRect(v->OuterRect.Left + e.Left, v->OuterRect.Top + e.Top, v->OuterRect.Right - e.Right,
                          v->OuterRect.Bottom - e.Bottom);
  v->ClientArea = v->InteriorRect;
  v->FrameThickness = BorderWidthOfStyle(v->FrameStyle);
  v->FrameSides = StyleForCurrentState()->Edges();
  v->HasShadow = ShowsShadow();
  ComputeColors();
}

void TcxContainer::FrameExtent(TRect& e) {
  TcxContainerStyle* s = StyleForCurrentState();
  bool themed = UsesThemes();
  if (s->TransparentBorder()) {
    e = TRect(2, 2, 2, 2);
  } else if (!s->SupportsBorder() || (themed && Style()->BorderStyle() == cbsNone)) {
    e = TRect(0, 0, 0, 0);
  } else if (themed) {
    e = TRect(2, 2, 2, 2);
  } else {
    Integer w = BorderWidthOfStyle(ViewInfo()->FrameStyle);
    TcxBorders edges = s->Edges();
    e = TRect(edges.Contains(bLeft) ? w : 0, edges.Contains(bTop) ? w : 0, edges.Contains(bRight) ? w : 0,
              edges.Contains(bBottom) ? w : 0);
  }
  if (ShowsShadow()) {
    e.Right += cxContainerShadowWidth;
    e.Bottom += cxContainerShadowWidth;
  }
}

void TcxContainer::BorderArea(TRect& r) {
  TRect e;
  FrameExtent(e);
  const TRect& o = ViewInfo()->OuterRect;
  r = TRect(o.Left + e.Left, o.Top + e.Top, o.Right - e.Right, o.Bottom - e.Bottom);
  Integer w = BorderWidthOfStyle(ViewInfo()->GetFrameStyle());
  r = GrowRect(r, w, w);
  DeflateRectByMissingEdges(r, w, StyleForCurrentState()->Edges());
}

void TcxContainer::HotTrackArea(TRect& r) {
  r = TRect(0, 0, Width(), Height());
  if (IsInplace()) return;
  TcxContainerViewInfo* v = ViewInfo();
  if (v->HasShadow) {
    r.Right -= cxContainerShadowWidth;
    r.Bottom -= cxContainerShadowWidth;
  }
  TcxContainerStyle* b = Style();
  if (!b->SupportsBorder()) {
    if (b->TransparentBorder()) r = GrowRect(r, -2, -2);
  } else if (v->UsesTheme) {
    if (b->TransparentBorder() && b->BorderStyle() == cbsNone) r = GrowRect(r, -2, -2);
  } else if (b->TransparentBorder()) {
    Integer w = BorderWidthOfStyle(v->FrameStyle);
    r = GrowRect(r, -(2 - w), -(2 - w));
    DeflateRectByMissingEdges(r, w, v->FrameSides);
  }
  if (r.Bottom < r.Top) r = TRect(r.Left, 0, r.Right, 0);
}

bool TcxContainer::ShowsShadow() { return StyleForCurrentState()->Shadow() && !UsesThemes(); }

bool TcxContainer::PaintsOwnBorder() { return !(ViewInfo()->UsesTheme && ViewInfo()->FrameStyle != cbsNone); }

bool TcxContainer::UsesThemes() { return CanPaintNatively(Style()->LookAndFeel()->NativeStyle(), ThemeClass()); }

Integer TcxContainer::ThemeStateId() {
  if (!Enabled()) return 4;
  if (FocusIsInside()) return 5;
  if (ViewInfo()->StateFlags.Contains(csfHot)) return 2;
  return 1;
}

void TcxContainer::ApplyWindowRegion() {
  if (!HandleAllocated()) return;
  TRect r;
  BorderArea(r);
  UpdateWindowRegion(Handle(), r, !PaintsOwnBorder(), TRect(), ViewInfo()->HasShadow);
}

void TcxContainer::ClipToWindowRegion() {
  TRect r;
  BorderArea(r);
  HRGN rgn = BuildFrameRegion(HandleAllocated() ? Handle() : nullptr, r, !PaintsOwnBorder(), TRect(),
                              ViewInfo()->HasShadow);
  if (!rgn) return;
  Canvas()->ApplyClipRegion(new TcxRegion(rgn), roIntersect, true);
}

void TcxContainer::PaintBorderAndContent() {
  if (InDestruction()) return;
  if (ViewInfo()->OuterRect.IsEmpty()) ComputeViewInfo(TPoint(-1, -1), false);
  if (!Canvas()->IsRectPartlyVisible(ViewInfo()->OuterRect)) return;
  if (ControlState().Contains(csPaintCopy)) ClipToWindowRegion();
  ViewInfo()->PaintTo(Canvas());
}

void TcxContainer::AdjustClientRect(TRect& rect) {
  if (!InDestruction()) rect = ViewInfo()->ClientArea;
}

void TcxContainer::AlignControls(TControl* control, TRect& rect) {
  if (HostsChildControls()) {
    TcxControl::AlignControls(control, rect);
    return;
  }
  if (alignLockCount_ > 0 || (control && IsOwnScrollPart(control))) return;
  if (!control) TcxControl::AlignControls(control, rect);
  if (creating_ || !control) return;
  auto* wc = dynamic_cast<TWinControl*>(control);
  if (!wc || !wc->HandleAllocated()) return;
  TRect area = rect;
  AdjustClientRect(area);
  TcxContainerInnerControlBounds b;
  ChildVisibleRegion(area, control, b);
  if (wc == innerControl_) {
    if (b == innerRegion_) return;
    innerRegion_ = b;
  }
  InnerRegionOf(wc, b);
}

void TcxContainer::ChildVisibleRegion(const TRect& area, TControl* child, TcxContainerInnerControlBounds& bounds) {
  bounds = TcxContainerInnerControlBounds();
  if (!child) return;
  TRect local(0, 0, child->Width(), child->Height());
  TRect r = local;
  TRect b = child->BoundsRect();
  if (b.Left < area.Left) r.Left = area.Left - b.Left;
  if (b.Top < area.Top) r.Top = area.Top - b.Top;
  if (area.Right < b.Right) r.Right -= b.Right - area.Right;
  if (area.Bottom < b.Bottom) r.Bottom -= b.Bottom - area.Bottom;
  bounds.IsEmpty = r == local;
  bounds.Rect = bounds.IsEmpty ? TRect() : r;
}

void TcxContainer::AlignInnerControl() {
  if (!innerControl_) return;
  const TRect& ca = ViewInfo()->ClientArea;
  if (innerControl_->BoundsRect() == ca) return;
  refreshLocked_ = true;
  TScopeExit clear([this] { refreshLocked_ = false; });
  innerControl_->SetBounds(ca.Left, ca.Top, ca.Width(), ca.Height());
}

void TcxContainer::SyncInnerControl() {
  if (!innerControl_) return;
  innerControl_->SetColor(ViewInfo()->FillColor);
  CopyFontFrom(innerControl_->Font(), StyleForCurrentState()->DisplayFont());
}

void TcxContainer::TrackedMouseLeave() {
  NotifyMouseLeave(nullptr);
  EndMouseTracking(this);
}

void TcxContainer::Invalidate() {
  TcxControl::Invalidate();
  if (innerControl_) innerControl_->Invalidate();
}

void TcxContainer::Update() {
  TcxControl::Update();
  if (innerControl_) innerControl_->Update();
}

// Colours and fonts set on the control flow into the base style.

void TcxContainer::CMColorChanged(TMessage& m) {
  if (internalSetting_ || InDestruction()) {
    TcxControl::CMColorChanged(m);
    RefreshStateAtCursor(false);
    return;
  }
  Style()->SetColor(Color());
  TcxControl::CMColorChanged(m);
}

void TcxContainer::CMFontChanged(TMessage& m) {
  if (internalSetting_ || InDestruction()) {
    TcxControl::CMFontChanged(m);
    if (InDestruction()) return;
    AlignInnerControl();
    UpdateScrollBarsFromInner(false);
    RefreshStateAtCursor(false);
    return;
  }
  bool wasAssigned = Style()->StoredAssignedValues().Contains(svFont);
  Style()->SetFont(Font());
  if (!wasAssigned) Style()->ForgetAssignedValue(svFont);
  TcxControl::CMFontChanged(m);
}

void TcxContainer::CMParentColorChanged(TMessage& m) {
  bool wasAssigned = Style()->StoredAssignedValues().Contains(svColor);
  TcxControl::CMParentColorChanged(m);
  if (InDestruction()) return;
  if (!wasAssigned || ParentColor()) Style()->ForgetAssignedValue(svColor);
  if (Style()->GetColor() != Color()) ApplyStyleToControl(Style());
  if (TracksParentChanges() && !ParentColor()) Invalidate();
}

void TcxContainer::CMParentFontChanged(TMessage& m) {
  bool wasAssigned = Style()->StoredAssignedValues().Contains(svFont);
  TcxControl::CMParentFontChanged(m);
  if (InDestruction()) return;
  if (!ParentFont()) Style()->RefreshFontFromController();
  if (!wasAssigned || ParentFont()) Style()->ForgetAssignedValue(svFont);
}

void TcxContainer::CMSysColorChange(TMessage& m) {
  TcxControl::CMSysColorChange(m);
  RefreshStateAtCursor(false);
}

void TcxContainer::CMEnabledChanged(TMessage& m) {
  TcxControl::CMEnabledChanged(m);
  SyncScrollBarsEnabled();
  RefreshStateAtCursor(false);
}

void TcxContainer::SyncScrollBarsEnabled() {
  for (Integer i = 0; i < ControlCount(); ++i)
    if (auto* bar = dynamic_cast<TcxScrollBar*>(Controls(i))) bar->SetEnabled(Enabled());
}

void TcxContainer::CMCursorChanged(TMessage& m) {
  TcxControl::CMCursorChanged(m);
  if (innerControl_) innerControl_->SetCursor(Cursor());
}

// Mouse, focus and size.

void TcxContainer::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxContainer> self(this);
  TcxControl::MouseDown(button, shift, x, y);
  if (self) RefreshState(TPoint(x, y), MapMouseButton(button), shift, true);
}

void TcxContainer::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxContainer> self(this);
  TcxControl::MouseUp(button, shift, x, y);
  if (self) RefreshState(TPoint(x, y), MapMouseButton(button), shift, true);
}

void TcxContainer::MouseMove(TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxContainer> self(this);
  TcxControl::MouseMove(shift, x, y);
  if (!self) return;
  RefreshState(TPoint(x, y), 0, shift, true);
  TRect r;
  HotTrackArea(r);
  BeginMouseTracking(this, r, this);
}

void TcxContainer::NotifyMouseEnter(TControl* control) {
  TcxControl::NotifyMouseEnter(control);
  if (InDestruction()) return;
  RefreshStateAtCursor(true);
  TRect r;
  HotTrackArea(r);
  BeginMouseTracking(this, r, this);
}

void TcxContainer::NotifyMouseLeave(TControl* control) {
  TcxControl::NotifyMouseLeave(control);
  if (InDestruction()) return;
  RefreshStateAtCursor(true);
  EndMouseTracking(this);
}

void TcxContainer::NotifyFocusChanged() {
  TcxControl::NotifyFocusChanged();
  RefreshStateAtCursor(false);
}

void TcxContainer::Resize() {
  TcxControl::Resize();
  if (creating_) return;
  refreshing_ = false;
  RefreshStateAtCursor(false);
}

bool TcxContainer::FocusesOnClick() {
  if (!TcxControl::FocusesOnClick()) return false;
  if (innerControl_ && innerControl_->HandleAllocated() && innerControl_->Focused()) return false;
  return !innerMouseDown_;
}

void TcxContainer::DoContextPopup(TPoint mousePos, bool& handled) {
  if (popupMenuLockCount_ == 0 && (mousePos == TPoint(-1, -1) || AllowsContextPopupAt(mousePos))) {
    TcxControl::DoContextPopup(mousePos, handled);
  } else {
    handled = true;
  }
}

bool TcxContainer::FocusIsInside() {
  if (InDesignMode() || ControlState().Contains(csDestroyingHandle) || !HandleAllocated()) return false;
  HWND f = GetFocus();
  if (f && f == Handle()) return true;
  return innerControl_ && innerControl_->HandleAllocated() && innerControl_->Focused();
}

bool TcxContainer::MayFocus() { return !(innerControl_ && innerControl_->HandleAllocated() && innerControl_->Focused()); }

void TcxContainer::SetFocus() {
  if (InDesignMode() || HasFocusInside()) return;
  TcxControl::SetFocus();
  if (innerControl_ && innerControl_->HandleAllocated() && GetFocus() == Handle()) {
    FocusInnerControl();
    if (TCustomForm* f = GetParentForm(this)) f->FocusControl(innerControl_);
  }
}

void TcxContainer::FocusInnerControl() {
  if (innerControl_ && innerControl_->CanFocus()) innerControl_->SetFocus();
}

void TcxContainer::WMSetFocus(TMessage& m) {
  if (InDestruction() || !HandleAllocated() || !innerControl_ || !innerControl_->HandleAllocated()) {
    TcxControl::WMSetFocus(m);
    return;
  }
  if (reinterpret_cast<HWND>(m.WParam) == innerControl_->Handle()) {
    m.Result = 0;
    return;
  }
  TcxControl::WMSetFocus(m);
  if (innerControl_ && innerControl_->CanFocus()) innerControl_->SetFocus();
}

void TcxContainer::WMKillFocus(TMessage& m) {
  if (innerControl_ && innerControl_->HandleAllocated() && reinterpret_cast<HWND>(m.WParam) == innerControl_->Handle()) {
    m.Result = 0;
    return;
  }
  TcxControl::WMKillFocus(m);
}

void TcxContainer::KeyDown(Word& key, TShiftState shift) {
  TWeakRef<TcxContainer> self(this);
  TcxControl::KeyDown(key, shift);
  if (!self) return;
  if (key == VK_TAB && FocusIsInside() && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl) && TabMovesFocus()) {
    key = 0;
    // Tab moves on from the container's own place in the tab order, whether the focus is
    // on the container or on its inner control.
    if (TCustomForm* f = GetParentForm(this)) f->SelectNext(this, !shift.Contains(ssShift), true);
    if (self && HandleAllocated() && GetFocus() == Handle() && innerControl_) innerControl_->SetFocus();
  }
}

void TcxContainer::WMSetCursor(TMessage& m) {
  if (innerControl_ && reinterpret_cast<HWND>(m.WParam) == Handle() && LOWORD(m.LParam) == HTCLIENT) {
    TPoint p;
    ReadCursorPos(p);
    p = ScreenToClient(p);
    if (!ViewInfo()->ClientArea.Contains(p)) {
      ::SetCursor(Screen->Cursors(crArrow));
      m.Result = 1;
      return;
    }
  }
  TcxControl::WMSetCursor(m);
}

bool TcxContainer::PreviewInnerMessage(TMessage& m) {
  if (m.Msg != CN_KEYDOWN && m.Msg != CN_SYSKEYDOWN) return false;
  TWMKey key = *reinterpret_cast<TWMKey*>(&m);
  if (PopupMenuTakesShortCut(key)) {
    m.Result = 1;
    return true;
  }
  return false;
}

void TcxContainer::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SETFOCUS:
      if (!Visible()) {
        m.Result = 0;
        return;
      }
      break;
    case DXM_CONTAINERSETFOCUS:
      RefreshStateAtCursor(false);
      return;
    case DXM_UPDATESCROLLBARS:
      UpdateScrollBarsFromInner(false);
      return;
    case WM_NCPAINT:
      m.Result = 0;
      return;
    case WM_WINDOWPOSCHANGING:
      if (InDestruction()) {
        m.Result = 0;
        return;
      }
      TcxControl::WndProc(m);
      if (HandleAllocated() && GetFocus() == Handle() && innerControl_ && innerControl_->HandleAllocated() &&
          innerControl_->CanFocus())
        if (TCustomForm* f = GetParentForm(this)) f->FocusControl(innerControl_);
      return;
    case WM_WINDOWPOSCHANGED:
      TcxControl::WndProc(m);
      if (!InDestruction() && TracksParentChanges()) RefreshStateAtCursor(false);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (DragMode() == dmAutomatic && !InDesignMode()) {
        BeginDrag(false);
        return;
      }
      break;
    default:
      if (IsKeyMessage(m.Msg) && innerControl_ && innerControl_->HandleAllocated()) {
        m.Result = innerControl_->Perform(m.Msg, m.WParam, m.LParam);
        return;
      }
      break;
  }
  TcxControl::WndProc(m);
}

// Painted scroll bars mirroring the inner control's bars.

bool PaintedScrollBarsAvailable() { return true; }

void TcxContainer::PostScrollBarsUpdate() {
  if (!InDestruction() && HandleAllocated() && innerControl_) PostMessage(Handle(), DXM_UPDATESCROLLBARS, 0, 0);
}

bool TcxContainer::ReadInnerScrollBarInfo(SCROLLBARINFO& info, TScrollBarKind kind) {
  if (InDestruction() || !Parent() || !HandleAllocated() || !innerControl_ || !innerControl_->HandleAllocated())
    return false;
  info = SCROLLBARINFO{};
  info.cbSize = sizeof(SCROLLBARINFO);
  return GetScrollBarInfo(innerControl_->Handle(), kind == sbHorizontal ? OBJID_HSCROLL : OBJID_VSCROLL, &info) != 0;
}

bool TcxContainer::ScrollBarEnabledFromInfo(TcxControlScrollBar* bar, const SCROLLBARINFO& info) {
  return bar->Parent() && bar->Parent()->Enabled() && !(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
}

void TcxContainer::ScrollBarRectToClient(const SCROLLBARINFO& info, TRect& r) {
  TPoint tl = ScreenToClient(TPoint(info.rcScrollBar.Left, info.rcScrollBar.Top));
  Integer w = info.rcScrollBar.Right - info.rcScrollBar.Left, h = info.rcScrollBar.Bottom - info.rcScrollBar.Top;
  if (tl.X < 0 || tl.Y < 0 || w > Width() || h > Height()) r = TRect();
  else r = TRect(tl.X, tl.Y, w, h);  // width and height in Right and Bottom
}

void TcxContainer::SyncScrollBarWithInner(TcxControlScrollBar* bar) {
  SCROLLBARINFO info;
  if (!ReadInnerScrollBarInfo(info, bar->Kind()) ||
      (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN))) {
    ShowScrollBar(bar, false);
    return;
  }
  bar->SetEnabled(ScrollBarEnabledFromInfo(bar, info));
  TRect r;
  ScrollBarRectToClient(info, r);
  bar->SetBounds(r.Left, r.Top, r.Right, r.Bottom);
  ShowScrollBar(bar, r.Right > 0 && r.Bottom > 0);
}

void TcxContainer::ShowScrollBar(TcxControlScrollBar* bar, bool visible) {
  bar->SetVisible(visible);
  if (visible) bar->BringToFront();
}

void TcxContainer::UpdateScrollBarsFromInner(bool keepPlacement) {
  if (!innerControl_ || !WantsScrollBars() || InDestruction() || !PaintedScrollBarsAvailable()) return;
  if (!innerControl_->HandleAllocated()) return;
  scrollBarsSyncing_ = true;
  TScopeExit clear([this] { scrollBarsSyncing_ = false; });
  for (TcxControlScrollBar* bar : {HorizontalBar(), VerticalBar()}) {
    if (!bar) continue;
    if (!keepPlacement) SyncScrollBarWithInner(bar);
    if (!bar->Visible()) continue;
    SCROLLINFO si{};
    si.cbSize = sizeof(SCROLLINFO);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    GetScrollInfo(innerControl_->Handle(), bar->Kind() == sbHorizontal ? SB_HORZ : SB_VERT, &si);
    if (si.nMax < Integer(si.nPage)) si.nPage = UINT(std::max(0, si.nMax));
    bar->SetScrollParams(si.nMin, si.nMax, si.nPos, Integer(si.nPage), true);
  }
}

void TcxContainer::PanScroll(TScrollBarKind kind, TScrollCode code, Integer& position) {
  if (!innerControl_ || !innerControl_->HandleAllocated()) return;
  int bar = kind == sbHorizontal ? SB_HORZ : SB_VERT;
  SendMessage(innerControl_->Handle(), kind == sbHorizontal ? WM_HSCROLL : WM_VSCROLL,
              MAKEWPARAM(WORD(code), WORD(position)), 0);
  SCROLLINFO si{};
  si.cbSize = sizeof(SCROLLINFO);
  si.fMask = SIF_POS;
  if (GetScrollInfo(innerControl_->Handle(), bar, &si)) position = si.nPos;
  UpdateScrollBarsFromInner(true);
}

TcxContainer* ContainerOfControl(TControl* control) {
  if (auto* c = dynamic_cast<TcxContainer*>(control)) return c;
  if (auto* i = dynamic_cast<IcxContainerInnerControl*>(control)) return i->OwningContainer();
  return nullptr;
}

bool ControlHasOpenPopup(TControl* control) {
  TcxContainer* c = ContainerOfControl(control);
  return c && c->IsPopupOpen();
}

// ---- inner list box --------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomInnerListBox) {
  using L = TcxCustomInnerListBox;
  p.Bool("AutoComplete", &L::AutoComplete, &L::SetAutoComplete).Default(true);
  p.Int64Prop("AutoCompleteDelay", &L::AutoCompleteDelay, &L::SetAutoCompleteDelay).Default(500);
}

TcxCustomInnerListBox::TcxCustomInnerListBox(TComponent* owner) : TListBox(owner) {
  if ((container_ = dynamic_cast<TcxContainer*>(owner))) SetTabStop(false);
}

void TcxCustomInnerListBox::WMGetDlgCode(TMessage& m) {
  TListBox::WMGetDlgCode(m);
  // Characters and Tab go to the container, which moves the focus on from its own place;
  // Ctrl+Tab is left to the dialog keys.
  if (container_) {
    m.Result |= DLGC_WANTCHARS;
    if (GetKeyState(VK_CONTROL) >= 0) m.Result |= DLGC_WANTTAB;
  }
}

void TcxCustomInnerListBox::SystemBarChanged() {
  if (container_) container_->PostScrollBarsUpdate();
}

void TcxCustomInnerListBox::WndProc(TMessage& m) {
  if (container_ && container_->PreviewInnerMessage(m)) return;
  if (m.Msg == WM_LBUTTONDOWN && container_ && DragMode() == dmAutomatic && !container_->InDesignMode()) {
    // The container drags, not the list: a press on a selected item of a multi-select list
    // (without Shift alone) keeps the selection and starts the container's drag; other
    // presses select first, and start it unless they extend a multi-selection.
    TWeakRef<TcxCustomInnerListBox> self(this);
    TWeakRef<TcxContainer> owner(container_);
    TControl::SetDragMode(dmManual);
    TScopeExit restore([self] {
      if (self) self->TControl::SetDragMode(dmAutomatic);
    });
    TShiftState s = KeysToShiftState(Word(m.WParam));
    Integer i = ItemAtPos(TPoint(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)), true);
    bool shiftOnly = s.Contains(ssShift) && !s.Contains(ssCtrl);
    if (MultiSelect() && !shiftOnly && i >= 0 && Selected(i)) {
      if (CanFocus() && !Focused()) SetFocus();
      if (owner) owner->BeginDrag(false);
      return;
    }
    TListBox::WndProc(m);
    if (self && owner && !(MultiSelect() && (s.Contains(ssCtrl) || s.Contains(ssShift)))) owner->BeginDrag(false);
    return;
  }
  TListBox::WndProc(m);
}

void TcxCustomInnerListBox::KeyDown(Word& key, TShiftState shift) {
  TWeakRef<TcxCustomInnerListBox> self(this);
  if (container_) {
    container_->KeyDown(key, shift);
    if (!self || key == 0) return;
  }
  TListBox::KeyDown(key, shift);
}

void TcxCustomInnerListBox::KeyUp(Word& key, TShiftState shift) {
  // The container does not see Tab releases: the Tab press moved the focus away.
  if (container_ && key != VK_TAB) container_->KeyUp(key, shift);
  if (key != 0) TListBox::KeyUp(key, shift);
}

void TcxCustomInnerListBox::KeyPress(char32_t& key) {
  if (key == U'\t') key = 0;
  if (key != 0 && container_) {
    TWeakRef<TcxCustomInnerListBox> self(this);
    container_->KeyPress(key);  // the container sees Enter
    if (!self) return;
  }
  if (key == U'\r') key = 0;
  if (key == 0) return;
  if (OnKeyPress) OnKeyPress(this, key);
  if (key != 0) TypeAheadSearch(key);
}

void TcxCustomInnerListBox::TypeAheadSearch(char32_t& key) {
  if (!autoComplete_) return;
  DWORD now = GetTickCount();
  if (now - lastKeyTime_ >= autoCompleteDelay_) searchText_.clear();
  lastKeyTime_ = now;
  if (key == U'\b') {
    if (!searchText_.empty()) {
      size_t n = searchText_.size();
      do --n;
      while (n > 0 && (Byte(searchText_[n]) & 0xC0) == 0x80);  // a whole UTF-8 character
      searchText_.resize(n);
    }
  } else if (key >= 32) {
    char32_t c = key;
    if (c < 0x80) searchText_ += char(c);
    else if (c < 0x800) { searchText_ += char(0xC0 | (c >> 6)); searchText_ += char(0x80 | (c & 0x3F)); }
    else if (c < 0x10000) { searchText_ += char(0xE0 | (c >> 12)); searchText_ += char(0x80 | ((c >> 6) & 0x3F)); searchText_ += char(0x80 | (c & 0x3F)); }
    else { searchText_ += char(0xF0 | (c >> 18)); searchText_ += char(0x80 | ((c >> 12) & 0x3F)); searchText_ += char(0x80 | ((c >> 6) & 0x3F)); searchText_ += char(0x80 | (c & 0x3F)); }
  } else if (key != U'\x1b') {
    return;  // other control characters are no search keys
  }
  if (key != U'\x1b') Search(false);
  if (!searchText_.empty() && key != U'\b' && key != U'\r' && key != U'\x1b') key = 0;
}

void TcxCustomInnerListBox::Search(bool) {
  if (searchText_.empty()) {
    if (Count() > 0) SetItemIndex(0);
    return;
  }
  String prefix = AnsiUpperCase(searchText_);
  for (Integer i = 0; i < Count(); ++i) {
    String item = AnsiUpperCase(Items()->Strings(i));
    if (item.compare(0, prefix.size(), prefix) == 0) {
      // A multi-select list keeps exactly the found item selected.
      if (MultiSelect()) {
        ClearSelection();
        SetSelected(i, true);
      }
      SetItemIndex(i);
      return;
    }
  }
}

void TcxCustomInnerListBox::DrawListItem(Integer index, const TRect& rect, TOwnerDrawState state) {
  if (index < 0) {
    Canvas()->FillRect(rect);
    return;
  }
  DrawItem(index, rect, state);
  if (state.Contains(odFocused) && DrawsFocusRect()) Canvas()->DrawFocusRect(rect);
}

void TcxCustomInnerListBox::MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) {
  TWeakRef<TcxCustomInnerListBox> self(this);
  TListBox::MouseDown(b, s, x, y);
  if (!self || !container_) return;
  TcxContainer* c = container_;
  c->innerMouseDown_ = true;
  TWeakRef<TcxContainer> cs(c);
  TScopeExit clear([cs] {
    if (cs) cs->innerMouseDown_ = false;
  });
  c->MouseDown(b, s, x + Left(), y + Top());
}

void TcxCustomInnerListBox::MouseMove(TShiftState s, Integer x, Integer y) {
  TWeakRef<TcxCustomInnerListBox> self(this);
  TListBox::MouseMove(s, x, y);
  if (self && container_) container_->MouseMove(s, x + Left(), y + Top());
}

void TcxCustomInnerListBox::MouseUp(TMouseButton b, TShiftState s, Integer x, Integer y) {
  TWeakRef<TcxCustomInnerListBox> self(this);
  TListBox::MouseUp(b, s, x, y);
  if (self && container_) container_->MouseUp(b, s, x + Left(), y + Top());
}

void TcxCustomInnerListBox::Click() {
  TWeakRef<TcxCustomInnerListBox> self(this);
  TListBox::Click();
  if (self && container_) container_->Click();
}

void TcxCustomInnerListBox::DblClick() {
  TWeakRef<TcxCustomInnerListBox> self(this);
  TListBox::DblClick();
  if (self && container_) container_->DblClick();
}

void TcxCustomInnerListBox::DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) {
  if (container_) container_->DragOver(source, x + Left(), y + Top(), state, accept);
  else TListBox::DragOver(source, x, y, state, accept);
}

void TcxCustomInnerListBox::DragDrop(TObject* source, Integer x, Integer y) {
  if (container_) container_->DragDrop(source, x + Left(), y + Top());
  else TListBox::DragDrop(source, x, y);
}

bool TcxCustomInnerListBox::DoMouseWheel(TShiftState shift, Integer delta, TPoint mousePos) {
  if (container_) {
    TWeakRef<TcxCustomInnerListBox> self(this);
    if (container_->DoMouseWheel(shift, delta, mousePos) || !self) return true;
  }
  return TListBox::DoMouseWheel(shift, delta, mousePos);
}

void TcxCustomInnerListBox::DoEnter() {
  TListBox::DoEnter();
  if (container_) container_->NotifyFocusChanged();
}

void TcxCustomInnerListBox::DoExit() {
  TListBox::DoExit();
  if (container_) container_->NotifyFocusChanged();
}
