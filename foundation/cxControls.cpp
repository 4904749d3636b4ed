// TcxControl: construction and teardown, painting, the guarded window procedure, mouse,
// keyboard, context menus and cursors; TcxControlChildComponent.
#include "foundation/cxControls.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/cxControlsInternal.h"
#include "rtl/TypInfo.h"

namespace {
PTypeInfo BorderStyleType() { return EnumTypeInfo("TcxControlBorderStyle", {"cxcbsNone", "cxcbsDefault"}); }

// Runs a step at the end of a scope, also when an exception passes.
template <class F>
class TFinally {
 public:
  explicit TFinally(F f) : f_(std::move(f)) {}
  ~TFinally() { f_(); }

 private:
  F f_;
};
}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxControl) {
  p.Enum("BorderStyle", &TcxControl::BorderStyle, &TcxControl::SetBorderStyle, BorderStyleType())
      .Default(cxcbsDefault);
  p.Object("LookAndFeel", &TcxControl::LookAndFeel, &TcxControl::SetLookAndFeel, TcxLookAndFeel::StaticClass());
  p.Object("PopupMenu", &TcxControl::PopupMenu, &TcxControl::SetPopupMenu, TComponent::StaticClass());
}

// ---- construction and teardown -------------------------------------------------------------

TcxControl::TcxControl(TComponent* owner) : TCustomControl(owner) {
  paintCanvas_ = std::make_unique<TcxCanvas>(TCustomControl::Canvas());
  standardCursor_ = Cursor();
  lookAndFeel_ = std::make_unique<TcxLookAndFeel>(this);
  lookAndFeel_->OnLookAndFeelChanged = [this](TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed) {
    LookAndFeelUpdated(sender, changed);
  };
  scrollBars_ = ssBoth;
  CreateScrollParts();
  SetTabStop(MayFocus());
  knownParentBackground_ = true;
  SetParentBackground(true);
}

TcxControl::~TcxControl() {
  EnterDestroyingState();
  TDragManager& drag = TDragManager::Instance();
  if (drag.Active() && drag.DragControl() == this) drag.Finish(false);
  if (dragOperation_) {
    // Freed in the middle of its drag: the screen gets its cursor back.
    if (dragPhase_ == dphActive && Screen) Screen->SetCursor(cursorBeforeDrag_);
    dragOperation_->Free();
    dragOperation_ = nullptr;
  }
  DestroyScrollParts();
  fontListeners_.clear();
  measuringCanvas_.reset();
  paintCanvas_.reset();
  lookAndFeel_.reset();
  dragImageList_.reset();
  ClearObjectLinksTo(this);
}

void TcxControl::BeforeDestruction() {
  EnterDestroyingState();
  TCustomControl::BeforeDestruction();
}

bool TcxControl::IsBeingDestroyed() const { return ComponentState().Contains(csDestroying); }

void TcxControl::EnterDestroyingState() {
  if (!IsBeingDestroyed()) Destroying();
}

TcxCanvas* TcxControl::CanvasForDrawing() {
  if (HandleAllocated()) {
    measuringCanvas_.reset();
    return paintCanvas_.get();
  }
  if (!measuringCanvas_) measuringCanvas_ = std::make_unique<TcxScreenCanvas>();
  return measuringCanvas_.get();
}

void TcxControl::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
}

void TcxControl::CreateWnd() {
  windowBeingCreated_ = true;
  TFinally reset([this] { windowBeingCreated_ = false; });
  // The drag-image style needs the descendant's answer, which the constructor cannot ask.
  if (UsesDragImages()) ControlStyle() += csDisplayDragImage;
  TCustomControl::CreateWnd();
  SyncScrollPartsExistence();
  ParentInternalControls();
}

void TcxControl::DestroyWnd() {
  ControlState() -= csClicked;
  TCustomControl::DestroyWnd();
}

// ---- properties ----------------------------------------------------------------------------

void TcxControl::SetBorderStyle(TcxControlBorderStyle v) {
  if (v == borderStyle_) return;
  borderStyle_ = v;
  HandleBoundsChange();
  Invalidate();
}

void TcxControl::SetPopupMenu(TComponent* v) {
  if (v && !dynamic_cast<TPopupMenu*>(v) && !dynamic_cast<IcxPopupMenu*>(v)) v = nullptr;
  if (v == popupMenu_) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = v;
  if (popupMenu_) popupMenu_->FreeNotification(this);
  // A plain popup menu is also the framework's, whose shortcuts fire while a child control
  // has the focus.
  TCustomControl::SetPopupMenu(dynamic_cast<TPopupMenu*>(v));
}

void TcxControl::Notification(TComponent* c, TOperation op) {
  TCustomControl::Notification(c, op);
  if (op == opRemove && c == popupMenu_) popupMenu_ = nullptr;
}

void TcxControl::SetMouseCaptureHolder(TObject* holder) {
  if (holder == captureHolder_) return;
  if (auto* old = dynamic_cast<IcxMouseCaptureObject*>(captureHolder_)) old->DoCancelMode();
  captureHolder_ = holder;
  bool had = MouseCapture();
  SetMouseCapture(holder != nullptr);
  if (had && !MouseCapture() && dragPhase_ == dphPending && HandleAllocated())
    SendMessage(Handle(), WM_CANCELMODE, 0, 0);
}

void TcxControl::AddFontListener(IcxFontListener* listener) { fontListeners_.push_back(listener); }

void TcxControl::RemoveFontListener(IcxFontListener* listener) {
  auto it = std::find(fontListeners_.begin(), fontListeners_.end(), listener);
  if (it != fontListeners_.end()) fontListeners_.erase(it);
}

void TcxControl::NotifyDesignerModified() {
  if (!InDesignMode()) return;
  for (TControl* c = this; c; c = c->Parent()) {
    const auto& st = c->ComponentState();
    if (st.Contains(csLoading) || st.Contains(csWriting) || st.Contains(csDestroying)) return;
  }
  NotifyFormDesigner(this);
}

void TcxControl::InvalidateRegion(TcxRegion* region, bool erase) {
  if (HandleAllocated() && region && !region->IsEmpty()) InvalidateRgn(Handle(), region->Handle(), erase);
}

void TcxControl::InvalidateWithChildren() {
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void TcxControl::ScrollClientArea(Integer dx, Integer dy, const TRect& r) {
  HideVclDragImage();
  TFinally show([this] { ShowVclDragImage(); });
  if (HandleAllocated()) ScrollWindowEx(Handle(), dx, dy, &r, &r, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
}

void TcxControl::PostMouseMove(const TPoint& p) {
  if (HandleAllocated()) PostMessage(Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(WORD(p.X), WORD(p.Y)));
}

void TcxControl::PostMouseMoveAtCursor() {
  if (!HandleAllocated()) return;
  TPoint p;
  QueryCursorPos(p);
  PostMouseMove(ScreenToClient(p));
}

bool TcxControl::PopupMenuTakesShortCut(const TWMKey& message) {
  if (InDesignMode()) return false;
  for (TControl* c = this; c; c = c->Parent())
    if (auto* cx = dynamic_cast<TcxControl*>(c); cx && MenuHandlesShortCut(cx->PopupMenu(), message)) return true;
  return false;
}

// ---- virtual operations --------------------------------------------------------------------

bool TcxControl::ShowPopupMenuAt(TComponent* menu, Integer x, Integer y) { return InvokePopupMenu(this, menu, x, y); }

bool TcxControl::FocusesOnClick() {
  return !InDesignMode() && clickFocuses_ && MayFocus() && CanFocus();
}

Integer TcxControl::FrameWidth() {
  if (borderStyle_ == cxcbsNone) return 0;
  TcxCustomLookAndFeelPainterClass painter = CurrentPainter();
  return painter ? painter->ControlBorderWidth() : 0;
}

void TcxControl::ControlBounds(TRect& r) {
  if (!fixedBounds_.IsEmpty()) r = fixedBounds_;
  else if (HandleAllocated()) r = ClientRect();
  else r = TRect(0, 0, Width(), Height());
}

void TcxControl::ContentBounds(TRect& r) {
  ControlBounds(r);
  Integer f = FrameWidth();
  r = TRect(r.Left + f, r.Top + f, r.Right - f, r.Bottom - f);
  if (IsHScrollBarShown()) r.Bottom -= hBar_->Height();
  if (IsVScrollBarShown()) r.Right -= vBar_->Width();
}

TcxCustomLookAndFeelPainterClass TcxControl::CurrentPainter() {
  TcxLookAndFeel* lf = LookAndFeelObject();
  return lf ? lf->EffectivePainter() : nullptr;
}

bool TcxControl::CanTakeFocus() {
  if (!CanFocus()) return false;
  TCustomForm* form = GetParentForm(this);
  return !form || (form->CanFocus() && form->Enabled() && form->Visible());
}

bool TcxControl::MayStartDrag(Integer x, Integer y) {
  return DragMode() == dmManual || IsWithinDragThreshold(x, y);
}

void TcxControl::CancelMouseOperation() {
  buttonHeld_ = false;
  SetMouseCaptureHolder(nullptr);
}

void TcxControl::EndMouseOperation() {
  // The end of a drag may run handlers that free the control.
  TcxObjectLinkGuard link(this);
  CompleteDragAndDrop(true);
  if (link.Alive()) SetMouseCaptureHolder(nullptr);
}

void TcxControl::NotifyFocusChanged() {
  if (OnFocusChanged) OnFocusChanged(this);
}

void TcxControl::HandleFontChange() {
  std::vector<IcxFontListener*> listeners = fontListeners_;
  for (IcxFontListener* l : listeners) l->FontChanged(this, Font());
  Invalidate();
}

bool TcxControl::WantsDesignTimeMouse(Integer, Integer, TShiftState) { return dragPhase_ != dphNone || buttonHeld_; }

void TcxControl::NotifyMouseEnter(TControl* control) {
  if (OnMouseEnter) OnMouseEnter(control);
}

void TcxControl::NotifyMouseLeave(TControl* control) {
  if (OnMouseLeave) OnMouseLeave(control);
}

void TcxControl::AdoptChildComponent(TcxControlChildComponent* child) { child->BindControl(this); }

void TcxControl::ReleaseChildComponent(TcxControlChildComponent* child) { child->BindControl(nullptr); }

void TcxControl::HandleSystemMetricsChange() {
  if (!WantsScrollBars() || !hBar_ || !vBar_) return;
  Integer cy = GetSystemMetrics(SM_CYHSCROLL), cx = GetSystemMetrics(SM_CXVSCROLL);
  if (hBar_->Height() != cy || vBar_->Width() != cx) {
    hBar_->SetHeight(cy);
    vBar_->SetWidth(cx);
    HandleBoundsChange();
  }
}

// ---- painting ------------------------------------------------------------------------------

void TcxControl::PaintWindow(HDC dc) {
  TCanvas* canvas = TCustomControl::Canvas();
  static_cast<TControlCanvas*>(canvas)->FreeHandle();
  canvas->Lock();
  TFinally unlock([canvas] {
    canvas->SetHandle(nullptr);
    canvas->Unlock();
  });
  canvas->SetHandle(dc);
  PaintBorderAndContent();
}

void TcxControl::PaintBorderAndContent() {
  if (borderStyle_ == cxcbsDefault) {
    TRect bounds, content;
    ControlBounds(bounds);
    if (TcxCustomLookAndFeelPainterClass painter = CurrentPainter()) painter->PaintControlBorder(paintCanvas_.get(), bounds);
    ContentBounds(content);
    paintCanvas_->IntersectClip(content);
  }
  Paint();
}

// ---- the window procedure ------------------------------------------------------------------

TPoint TcxControl::MessagePoint(const TMessage& m) {
  if (HandleAllocated() && (Width() > 32768 || Height() > 32768)) {
    TPoint p;
    QueryCursorPos(p);
    return ScreenToClient(p);
  }
  return TPoint(SHORT(LOWORD(uintptr_t(m.LParam))), SHORT(HIWORD(uintptr_t(m.LParam))));
}

void TcxControl::WndProc(TMessage& m) {
  TcxObjectLinkGuard link(this);
  const Cardinal msg = m.Msg;
  // The message point, read before a handler may change the message.
  const TPoint point = MessagePoint(m);
  TFinally post([&] {
    if (!link.Alive()) return;
    switch (msg) {
      case WM_SETFOCUS:
      case WM_KILLFOCUS: NotifyFocusChanged(); break;
      case WM_PAINT:
        if (ParentBackground() != knownParentBackground_) {
          knownParentBackground_ = ParentBackground();
          ParentBackgroundToggled();
        }
        break;
      case WM_RBUTTONUP: rightButtonUpInProgress_ = false; break;
      case WM_LBUTTONDOWN: BeforeMouseDown(mbLeft, point.X, point.Y); break;
      case WM_RBUTTONDOWN: BeforeMouseDown(mbRight, point.X, point.Y); break;
      case WM_MBUTTONDOWN: BeforeMouseDown(mbMiddle, point.X, point.Y); break;
      default: break;
    }
  });
  if ((msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) && !TDragManager::Instance().Active()) {
    bool takeOver = InDesignMode() ? WantsDesignTimeMouse(point.X, point.Y, TShiftState{ssLeft})
                                   : DragMode() == dmAutomatic;
    if (takeOver) {
      TControl* child = ControlAtPos(point, false);
      if (!child || dynamic_cast<TWinControl*>(child)) {
        ControlState() += csLButtonDown;
        TFinally clear([&] {
          if (link.Alive()) ControlState() -= csLButtonDown;
        });
        Dispatch(m);
        return;
      }
    }
  }
  if (msg == WM_RBUTTONUP) rightButtonUpInProgress_ = true;
  TCustomControl::WndProc(m);
}

void TcxControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_NCCALCSIZE:
      TCustomControl::Dispatch(m);
      if (HandleAllocated()) PostMessage(Handle(), CM_CXSYSTEMMETRICSCHANGED, 0, 0);
      return;
    case CM_CXSYSTEMMETRICSCHANGED: HandleSystemMetricsChange(); return;
    case CM_DESIGNHITTEST:
      TCustomControl::Dispatch(m);
      if (m.Result == 0) {
        TPoint p = MessagePoint(m);
        m.Result = WantsDesignTimeMouse(p.X, p.Y, KeysToShiftState(Word(m.WParam))) ? 1 : 0;
      }
      return;
    case CN_BASE + WM_SYSKEYDOWN: {
      TWMKey key{Word(m.WParam), m.LParam};
      if (PopupMenuTakesShortCut(key)) m.Result = 1;
      else TCustomControl::Dispatch(m);
      return;
    }
    default: TCustomControl::Dispatch(m);
  }
}

void TcxControl::WMCancelMode(TMessage& m) {
  TcxObjectLinkGuard link(this);
  TCustomControl::WMCancelMode(m);
  if (!link.Alive()) return;
  CompleteDragAndDrop(false);
  if (!link.Alive()) return;
  CancelMouseOperation();
}

void TcxControl::WMEraseBkgnd(TMessage& m) {
  if (ErasesBackground()) TCustomControl::WMEraseBkgnd(m);
  else m.Result = 1;
}

void TcxControl::WMGetDlgCode(TMessage& m) {
  LRESULT code = 0;
  if (wantedKeys_.Contains(wkAll)) code += DLGC_WANTALLKEYS;
  if (wantedKeys_.Contains(wkArrows)) code += DLGC_WANTARROWS;
  if (wantedKeys_.Contains(wkChars)) code += DLGC_WANTCHARS;
  if (wantedKeys_.Contains(wkTab) && !IsCtrlDown()) code += DLGC_WANTTAB;
  m.Result = code;
}

void TcxControl::WMPaint(TMessage& m) {
  HideVclDragImage();
  TFinally show([this] { ShowVclDragImage(); });
  TCustomControl::WMPaint(m);
}

void TcxControl::WMSetCursor(TMessage& m) {
  if (InDesignMode() && dragPhase_ == dphNone && HandleAllocated()) {
    TPoint p;
    QueryCursorPos(p);
    p = ScreenToClient(p);
    if (WantsDesignTimeMouse(p.X, p.Y, TShiftState{ssLeft})) {
      ::SetCursor(ScreenCursorHandle(GetCursorAt(p.X, p.Y)));
      m.Result = 1;
      return;
    }
  }
  TCustomControl::WMSetCursor(m);
}

void TcxControl::CMColorChanged(TMessage& m) {
  HandleColorChange();
  TCustomControl::CMColorChanged(m);
}

void TcxControl::CMCursorChanged(TMessage& m) {
  HandleCursorChange();
  TCustomControl::CMCursorChanged(m);
}

void TcxControl::CMFontChanged(TMessage& m) {
  TCustomControl::CMFontChanged(m);
  HandleFontChange();
}

void TcxControl::CMMouseEnter(TMessage& m) {
  TControl* control = m.LParam ? reinterpret_cast<TControl*>(m.LParam) : this;
  // The framework's part: the parent hears it too. The event itself is fired once, below.
  if (Parent()) Parent()->Perform(CM_MOUSEENTER, 0, reinterpret_cast<NativeInt>(control));
  NotifyMouseEnter(control);
}

void TcxControl::CMMouseLeave(TMessage& m) {
  TControl* control = m.LParam ? reinterpret_cast<TControl*>(m.LParam) : this;
  if (Parent()) Parent()->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<NativeInt>(control));
  NotifyMouseLeave(control);
}

void TcxControl::CMTextChanged(TMessage& m) {
  TCustomControl::CMTextChanged(m);
  HandleTextChange();
}

void TcxControl::CMVisibleChanged(TMessage& m) {
  TCustomControl::CMVisibleChanged(m);
  HandleVisibilityChange();
}

void TcxControl::CNKeyDown(TMessage& m) {
  TWMKey key{Word(m.WParam), m.LParam};
  if (PopupMenuTakesShortCut(key)) {
    m.Result = 1;
    return;
  }
  if (dragPhase_ == dphNone) {
    TCustomControl::CNKeyDown(m);
    return;
  }
  // During a drag every key is swallowed; Esc comes back as a key down that cancels it.
  if (key.CharCode == VK_ESCAPE && HandleAllocated()) SendMessage(Handle(), WM_KEYDOWN, m.WParam, m.LParam);
  m.Result = 1;
}

void TcxControl::Resize() {
  TCustomControl::Resize();
  HandleBoundsChange();
}

// ---- mouse and keyboard --------------------------------------------------------------------

void TcxControl::BeforeMouseDown(TMouseButton button, Integer x, Integer y) {
  if (DragMode() == dmAutomatic && button == mbLeft && MouseCapture() &&
      (!InDesignMode() || AllowsDesignTimeDrag(x, y, TShiftState{})) && AllowsVclDragStart(x, y) &&
      DetectDragStart(Handle()) == 1)
    BeginDrag(true, -1);
  if (button == mbMiddle) RunPanningLoop();
}

void TcxControl::CorrectHugePoint(Integer& x, Integer& y) {
  // The 16-bit coordinates of a mouse message overflow beyond 32767: a control that large
  // takes the point from the cursor.
  if (HandleAllocated() && (Width() > 32768 || Height() > 32768)) {
    TPoint p;
    QueryCursorPos(p);
    p = ScreenToClient(p);
    x = p.X;
    y = p.Y;
  }
}

void TcxControl::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  CorrectHugePoint(x, y);
  downPoint_ = TPoint(x, y);
  TcxObjectLinkGuard link(this);
  TFinally held([&] {
    if (link.Alive() && MouseCapture()) buttonHeld_ = true;
  });
  if (FocusesOnClickAt(x, y) && !shift.Contains(ssDouble)) {
    TRect old = BoundsRect();
    SetFocus();
    if (!link.Alive()) return;
    TCustomForm* form = GetParentForm(this);
    if (form && form->ActiveControl() == this && !HasFocus()) ::SetFocus(Handle());
    if (!HasFocus() && !ProcessesClickWithoutFocus()) {
      SetMouseCapture(false);
      return;
    }
    x += old.Left - Left();
    y += old.Top - Top();
  }
  if (button == mbLeft && !shift.Contains(ssDouble) && CanStartDragAndDrop(TPoint(x, y))) {
    TcxDragAndDropObject* object = EnsureDragAndDropObject();
    if (object->StartsImmediately()) BeginDragAndDropMode();
    else SetDragPhase(dphPending);
  } else {
    CompleteDragAndDrop(false);
  }
  if (!link.Alive()) return;
  PreviewMouseDown(button, shift, x, y);
  if (!link.Alive()) return;
  TCustomControl::MouseDown(button, shift, x, y);
}

void TcxControl::MouseMove(TShiftState shift, Integer x, Integer y) {
  CorrectHugePoint(x, y);
  TcxObjectLinkGuard link(this);
  TCursor keep = standardCursor_;
  SetCursor(GetCursorAt(x, y));
  standardCursor_ = keep;
  TCustomControl::MouseMove(shift, x, y);
  if (!link.Alive()) return;
  if (dragPhase_ == dphPending && !IsWithinDragThreshold(x, y)) BeginDragAndDropMode();
  if (dragPhase_ == dphActive) {
    bool accepted = false;
    TrackDragAndDrop(TPoint(x, y), accepted);
  }
}

void TcxControl::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  CorrectHugePoint(x, y);
  TcxObjectLinkGuard link(this);
  buttonHeld_ = false;
  EndMouseOperation();
  if (!link.Alive()) return;
  TCustomControl::MouseUp(button, shift, x, y);
}

void TcxControl::KeyDown(Word& key, TShiftState shift) {
  if (key == VK_ESCAPE) {
    TcxObjectLinkGuard link(this);
    CompleteDragAndDrop(false);
    if (!link.Alive()) return;
  }
  TCustomControl::KeyDown(key, shift);
}

// ---- context menus -------------------------------------------------------------------------

void TcxControl::WMContextMenu(TMessage& m) {
  if (m.Result != 0) return;
  if (InDesignMode()) {
    TCustomControl::WMContextMenu(m);
    return;
  }
  TPoint screen(SHORT(LOWORD(uintptr_t(m.LParam))), SHORT(HIWORD(uintptr_t(m.LParam))));
  TPoint client(-1, -1);
  if (!(screen.X == -1 && screen.Y == -1)) {
    client = ScreenToClient(screen);
    if (!ClientRect().Contains(client)) {
      DefaultHandler(m);
      return;
    }
  }
  TcxObjectLinkGuard link(this);
  bool handled = false;
  DoContextPopup(client, handled);
  if (!link.Alive()) return;
  m.Result = handled ? 1 : 0;
  // Without a menu of its own the request goes on to the parent (up to the form's menu).
  if (!handled && Parent()) m.Result = Parent()->Perform(WM_CONTEXTMENU, m.WParam, m.LParam);
}

void TcxControl::DoContextPopup(TPoint mousePos, bool& handled) {
  TcxObjectLinkGuard link(this);
  TCustomControl::DoContextPopup(mousePos, handled);
  if (handled || !link.Alive()) return;
  TPoint p = (mousePos.X == -1 && mousePos.Y == -1) ? TPoint(0, 0) : mousePos;
  p = ClientToScreen(p);
  handled = ShowPopupMenuAt(popupMenu_, p.X, p.Y);
}

// ---- child components ----------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxControlChildComponent)

TcxControlChildComponent::TcxControlChildComponent(TComponent* owner) : TcxComponent(owner) {}

TcxControlChildComponent::~TcxControlChildComponent() {
  if (ownerControl_) ownerControl_->ReleaseChildComponent(this);
}

TcxControlChildComponent* TcxControlChildComponent::CreateForControl(TClass cls, TcxControl* control,
                                                                     bool ownedByControlOwner) {
  TComponent* owner = ownedByControlOwner && control ? control->Owner() : nullptr;
  auto* child = dynamic_cast<TcxControlChildComponent*>(cls->Create(owner));
  if (!child) throw EInvalidCast("Invalid class typecast");
  child->InitSubobjects();
  child->BindControl(control);
  return child;
}

TComponent* TcxControlChildComponent::GetParentComponent() const { return ownerControl_; }

void TcxControlChildComponent::SetParentComponent(TComponent* value) {
  TcxComponent::SetParentComponent(value);
  if (auto* control = dynamic_cast<TcxControl*>(value)) control->AdoptChildComponent(this);
}
