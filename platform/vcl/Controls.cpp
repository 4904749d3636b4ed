#include "vcl/Controls.h"

#include <algorithm>
#include <cstring>

#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "vcl/ActnList.h"
#include "vcl/Consts.h"
#include "vcl/DockSupport.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

// ---- helpers -------------------------------------------------------------------------------

TShiftState KeysToShiftState(Word keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s += ssShift;
  if (keys & MK_CONTROL) s += ssCtrl;
  if (keys & MK_LBUTTON) s += ssLeft;
  if (keys & MK_RBUTTON) s += ssRight;
  if (keys & MK_MBUTTON) s += ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s += ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(NativeInt keyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s += ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
  if (keyData & KF_ALTDOWN_BIT) s += ssAlt;
  return s;
}

TShiftState GetShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s += ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s += ssAlt;
  if (GetKeyState(VK_LBUTTON) < 0) s += ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) s += ssRight;
  if (GetKeyState(VK_MBUTTON) < 0) s += ssMiddle;
  return s;
}

namespace {
TPoint MsgPoint(const TMessage& m) { return {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)}; }
LPARAM PointToLParam(TPoint p) { return MAKELPARAM(WORD(SHORT(p.X)), WORD(SHORT(p.Y))); }

// The control whose window is being created: its window procedure binds to it on the first
// message, before CreateWindowEx returns.
TWinControl* g_creatingControl = nullptr;

LRESULT ControlWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
}  // namespace

// The control of a window made by this framework.
TControl* FindControl(HWND wnd) {
  if (!wnd || !IsWindow(wnd)) return nullptr;
  if (GetWindowLongPtr(wnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&ControlWndProc)) return nullptr;
  return reinterpret_cast<TWinControl*>(GetWindowLongPtr(wnd, GWLP_USERDATA));
}

namespace {
LRESULT ControlWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* c = reinterpret_cast<TWinControl*>(GetWindowLongPtr(wnd, GWLP_USERDATA));
  if (!c && g_creatingControl) {
    c = g_creatingControl;
    g_creatingControl = nullptr;
    SetWindowLongPtr(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(c));
    // The control learns its window now (CreateWindowEx has not returned yet).
    struct Access : TWinControl {
      static HWND TWinControl::*Handle() { return &Access::handle_; }
    };
    c->*Access::Handle() = wnd;
  }
  if (!c) return DefWindowProc(wnd, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  try {
    if (c->WindowProc) c->WindowProc(m);
    else c->WndProc(m);
  } catch (...) {
    HandleControlException(c);
  }
  return m.Result;
}
}  // namespace

// ---- size constraints ----------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TSizeConstraints) {
  p.Int("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0);
  p.Int("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0);
  p.Int("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0);
  p.Int("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0);
}

void TSizeConstraints::Apply(Integer& w, Integer& h) const {
  if (maxW_ > 0 && w > maxW_) w = maxW_;
  if (minW_ > 0 && w < minW_) w = minW_;
  if (maxH_ > 0 && h > maxH_) h = maxH_;
  if (minH_ > 0 && h < minH_) h = minH_;
}

void TSizeConstraints::Changed() {
  if (control_) control_->SetBounds(control_->Left(), control_->Top(), control_->Width(), control_->Height());
}

// ---- TControl ------------------------------------------------------------------------------

namespace {
PTypeInfo AlignType() {
  return EnumTypeInfo("TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"});
}
PTypeInfo AnchorsType() {
  static PTypeInfo t = SetTypeInfo("TAnchors", EnumTypeInfo("TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"}));
  return t;
}
PTypeInfo DragModeType() { return EnumTypeInfo("TDragMode", {"dmManual", "dmAutomatic"}); }
PTypeInfo DragKindType() { return EnumTypeInfo("TDragKind", {"dkDrag", "dkDock"}); }
}  // namespace

PTypeInfo BorderStyleTypeInfo() {
  static PTypeInfo t = EnumTypeInfo("TBorderStyle", {"bsNone", "bsSingle"});
  return t;
}

PTypeInfo ColorTypeInfo() {
  static PTypeInfo t = EnumTypeInfo("TColor", std::vector<String>{});
  return t;
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TControl) {
  p.Int("Left", &TControl::Left, &TControl::SetLeft);
  p.Int("Top", &TControl::Top, &TControl::SetTop);
  p.Int("Width", &TControl::Width, &TControl::SetWidth);
  p.Int("Height", &TControl::Height, &TControl::SetHeight);
  p.Enum("Align", &TControl::Align, &TControl::SetAlign, AlignType()).Default(alNone);
  p.Set("Anchors", &TControl::Anchors, &TControl::SetAnchors, AnchorsType()).Default(3);
  p.Object("Constraints", &TControl::Constraints, &TControl::SetConstraints, TSizeConstraints::StaticClass());
  p.Str("Caption", &TControl::Caption, &TControl::SetCaption);
  p.Int("Color", &TControl::Color, &TControl::SetColor);
  p.Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
  p.Object("Font", &TControl::Font, &TControl::SetFont, TFont::StaticClass());
  p.Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
  p.Bool("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
  p.Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
  p.Str("Hint", &TControl::Hint, &TControl::SetHint);
  p.Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
  p.Bool("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
  p.Object("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu, TPopupMenu::StaticClass());
  p.Int("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault);
  p.Enum("DragMode", &TControl::DragMode, &TControl::SetDragMode, DragModeType()).Default(dmManual);
  p.Enum("DragKind", &TControl::DragKind, &TControl::SetDragKind, DragKindType()).Default(dkDrag);
  p.Int("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor).Default(crDrag);
  p.Event("OnClick", &TControl::OnClick);
  p.Event("OnDblClick", &TControl::OnDblClick);
  p.Event("OnMouseDown", &TControl::OnMouseDown, "TMouseEvent");
  p.Event("OnMouseMove", &TControl::OnMouseMove, "TMouseMoveEvent");
  p.Event("OnMouseUp", &TControl::OnMouseUp, "TMouseEvent");
  p.Event("OnMouseEnter", &TControl::OnMouseEnter);
  p.Event("OnMouseLeave", &TControl::OnMouseLeave);
  p.Event("OnResize", &TControl::OnResize);
  p.Event("OnContextPopup", &TControl::OnContextPopup, "TContextPopupEvent");
  p.Event("OnDragOver", &TControl::OnDragOver, "TDragOverEvent");
  p.Event("OnDragDrop", &TControl::OnDragDrop, "TDragDropEvent");
  p.Event("OnStartDrag", &TControl::OnStartDrag, "TStartDragEvent");
  p.Event("OnEndDrag", &TControl::OnEndDrag, "TEndDragEvent");
}

TControl::TControl(TComponent* owner)
    : TComponent(owner), font_(new TFont), constraints_(new TSizeConstraints(this)) {
  controlStyle_ = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  font_->OnChange = [this](TObject* s) { FontChanged(s); };
  color_ = DefaultColor();
}

TControl::~TControl() {
  SetAction(nullptr);
  ApplicationControlDestroyed(this);
  TDragManager::Instance().ControlDestroyed(this);
  if (parent_) parent_->RemoveControl(this);
  font_->OnChange = nullptr;
}

void TControl::BeforeDestruction() {
  TComponent::BeforeDestruction();
  ApplicationControlDestroyed(this);
  TDragManager::Instance().ControlDestroyed(this);
  if (parent_) SetParent(nullptr);
}

void TControl::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op == opRemove && c == popupMenu_) popupMenu_ = nullptr;
  if (op == opRemove && c != nullptr && c == Action()) SetAction(nullptr);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* value) {
  if (auto* w = dynamic_cast<TWinControl*>(value)) SetParent(w);
}

void TControl::SetParent(TWinControl* p) {
  if (p == parent_) return;
  // A parent among the control's own descendants would make a cycle of parents.
  for (TControl* a = p; a; a = a->parent_)
    if (a == this) throw EInvalidOperation(vcl_consts::SControlParentSetToSelf);
  if (parent_) parent_->RemoveControl(this);
  if (p) {
    p->InsertControl(this);
    ParentChanged();
  }
}

TPoint TControl::ClientToParent(TPoint pt, TWinControl* parent) {
  if (!parent) parent = parent_;
  TControl* c = this;
  while (c && c != parent) {
    pt.X += c->left_;
    pt.Y += c->top_;
    c = c->parent_;
  }
  return pt;
}

void TControl::SetBounds(Integer l, Integer t, Integer w, Integer h) {
  l = ClampCoord(l), t = ClampCoord(t), w = ClampCoord(w), h = ClampCoord(h);
  if (constraints_) constraints_->Apply(w, h);
  if (l == left_ && t == top_ && w == width_ && h == height_) return;
  if ((w != width_ || h != height_) && !CanResize(w, h)) return;
  InvalidateControl(Visible(), false);
  bool sized = w != width_ || h != height_;
  left_ = l;
  top_ = t;
  width_ = w;
  height_ = h;
  UpdateAnchorRules();
  Invalidate();
  RequestAlign();
  if (sized && !IsLoading()) Resize();
}

bool TControl::CanResize(Integer& w, Integer& h) {
  bool ok = true;
  if (OnCanResize) OnCanResize(this, w, h, ok);
  return ok;
}

void TControl::UpdateBoundsRect(const TRect& r) {
  left_ = r.Left;
  top_ = r.Top;
  width_ = r.Width();
  height_ = r.Height();
  UpdateAnchorRules();
}

TRect TControl::ClientRect() { return Rect(0, 0, width_, height_); }

void TControl::SetClientSize(TSize s) {
  TRect cr = ClientRect();
  SetBounds(left_, top_, ClampCoord(Int64(width_) - cr.Width() + s.cx), ClampCoord(Int64(height_) - cr.Height() + s.cy));
}
void TControl::SetClientWidth(Integer v) { SetClientSize({v, ClientHeight()}); }
void TControl::SetClientHeight(Integer v) { SetClientSize({ClientWidth(), v}); }

TPoint TControl::ClientOrigin() {
  if (!parent_) return {left_, top_};
  TPoint o = parent_->ClientOrigin();
  return {o.X + left_, o.Y + top_};
}

void TControl::SetAlign(TAlign v) {
  if (v == align_) return;
  TAlign old = align_;
  align_ = v;
  anchors_ = (v == alNone || v == alCustom) ? TAnchors{akLeft, akTop}
             : v == alTop    ? TAnchors{akLeft, akTop, akRight}
             : v == alBottom ? TAnchors{akLeft, akRight, akBottom}
             : v == alLeft   ? TAnchors{akLeft, akTop, akBottom}
             : v == alRight  ? TAnchors{akRight, akTop, akBottom}
                             : TAnchors{akLeft, akTop, akRight, akBottom};
  if (old != alNone || v != alNone) RequestAlign();
}

void TControl::SetAnchors(const TAnchors& v) {
  if (v == anchors_) return;
  anchors_ = v;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (anchorMove_ || !parent_) return;
  anchorRect_ = BoundsRect();
  TRect pr = parent_->ClientRect();
  anchorParentSize_ = {pr.Width(), pr.Height()};
}

void TControl::RequestAlign() {
  if (parent_) parent_->AlignControl(this);
}

void TControl::SetAutoSize(bool v) {
  if (v == autoSize_) return;
  autoSize_ = v;
  if (v) AdjustSize();
}

void TControl::AdjustSize() {
  if (!autoSize_ || IsLoading()) return;
  Integer w = width_, h = height_;
  if (CanAutoSize(w, h)) SetBounds(left_, top_, w, h);
}

void TControl::ChangeScale(Integer m, Integer d) {
  if (m == d) return;
  SetBounds(MulDiv(left_, m, d), MulDiv(top_, m, d), MulDiv(width_, m, d), MulDiv(height_, m, d));
  if (!parentFont_) font_->SetSize(MulDiv(font_->Size(), m, d));
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  VisibleChanging();
  visible_ = v;
  Perform(CM_VISIBLECHANGED, v);
  NotifyDockHost(this, CM_VISIBLECHANGED);
  RequestAlign();
}

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::FontChanged(TObject*) {
  if (updatingFont_) return;
  parentFont_ = false;
  Perform(CM_FONTCHANGED);
}

void TControl::ApplyParentFont() {
  if (!parent_) return;
  updatingFont_ = true;
  font_->Assign(parent_->Font());
  updatingFont_ = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool v) {
  if (v == parentFont_) return;
  parentFont_ = v;
  if (v && parent_ && !IsLoading()) ApplyParentFont();
}

void TControl::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  parentColor_ = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
  if (v == parentColor_) return;
  parentColor_ = v;
  if (v && parent_ && !IsLoading()) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetText(const String& v) {
  if (v == GetText()) return;
  SetTextValue(v);
  Perform(CM_TEXTCHANGED);
  NotifyDockHost(this, CM_TEXTCHANGED);
}

void TControl::SetTextValue(const String& v) { text_ = v; }

void TControl::SetShowHint(bool v) {
  if (v == showHint_ && !parentShowHint_) return;
  showHint_ = v;
  parentShowHint_ = false;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v) {
  if (v == parentShowHint_) return;
  parentShowHint_ = v;
  if (v && parent_ && !IsLoading()) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* v) {
  if (v == popupMenu_) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = v;
  if (v) v->FreeNotification(this);
}

void TControl::SetCursor(TCursor v) {
  if (v == cursor_) return;
  cursor_ = v;
  Perform(CM_CURSORCHANGED);
}

bool TControl::Showing() const {
  return visible_ && parent_ && parent_->Showing();
}

bool TControl::MouseCapture() const { return Mouse()->Capture() == this; }

void TControl::SetMouseCapture(bool v) {
  if (MouseCapture() == v) return;
  Mouse()->SetCapture(v ? this : nullptr);
}

NativeInt TControl::Perform(Cardinal msg, NativeUInt wParam, NativeInt lParam) {
  TMessage m{msg, wParam, lParam, 0};
  if (WindowProc) WindowProc(m);
  else WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& m) {
  if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST) {
    if (m.Msg == WM_LBUTTONDBLCLK && !controlStyle_.Contains(csDoubleClicks)) m.Msg = WM_LBUTTONDOWN;
    if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) {
      // Automatic drags start for both kinds: a dock drag docks or floats the control.
      if (dragMode_ == dmAutomatic && !TDragManager::Instance().Active()) {
        BeginDrag(false);
        return;
      }
      controlState_ += csLButtonDown;
    } else if (m.Msg == WM_LBUTTONUP) {
      controlState_ -= csLButtonDown;
    }
  }
  Dispatch(m);
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN: WMLButtonDown(m); break;
    case WM_LBUTTONUP: WMLButtonUp(m); break;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(m); break;
    case WM_RBUTTONDOWN: WMRButtonDown(m); break;
    case WM_RBUTTONUP: WMRButtonUp(m); break;
    case WM_MBUTTONDOWN: WMMButtonDown(m); break;
    case WM_MBUTTONUP: WMMButtonUp(m); break;
    case WM_MOUSEMOVE: WMMouseMove(m); break;
    case WM_MOUSEWHEEL: WMMouseWheel(m); break;
    case WM_CONTEXTMENU: WMContextMenu(m); break;
    case WM_CANCELMODE: WMCancelMode(m); break;
    case CM_MOUSEENTER: CMMouseEnter(m); break;
    case CM_MOUSELEAVE: CMMouseLeave(m); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(m); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(m); break;
    case CM_FONTCHANGED: CMFontChanged(m); break;
    case CM_COLORCHANGED: CMColorChanged(m); break;
    case CM_TEXTCHANGED: CMTextChanged(m); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(m); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(m); break;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(m); break;
    case CM_CURSORCHANGED: CMCursorChanged(m); break;
    case CM_HITTEST: CMHitTest(m); break;
    case CM_HINTSHOW: CMHintShow(m); break;
    case CM_SYSCOLORCHANGE: CMSysColorChange(m); break;
    case CM_DRAG: CMDrag(m); break;
    default: DefaultHandler(m); break;
  }
}

void TControl::DefaultHandler(TMessage& m) {
  // A control without a window answers the text messages from its own text.
  if (m.Msg == WM_GETTEXTLENGTH) m.Result = NativeInt(GetText().size());
}

namespace {
TShiftState MouseShift(const TMessage& m) { return KeysToShiftState(Word(m.WParam)); }
}  // namespace

void TControl::WMLButtonDown(TMessage& m) {
  SendCancelMode(this);
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (controlStyle_.Contains(csClickEvents)) controlState_ += csClicked;
  TPoint p = MsgPoint(m);
  if (!controlStyle_.Contains(csNoStdEvents)) MouseDown(mbLeft, MouseShift(m), p.X, p.Y);
}

void TControl::WMLButtonDblClk(TMessage& m) {
  SendCancelMode(this);
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (controlStyle_.Contains(csClickEvents)) DblClick();
  TPoint p = MsgPoint(m);
  if (!controlStyle_.Contains(csNoStdEvents)) MouseDown(mbLeft, MouseShift(m) + ssDouble, p.X, p.Y);
}

void TControl::WMLButtonUp(TMessage& m) {
  TWeakRef<TControl> self(this);
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(false);
  TPoint p = MsgPoint(m);
  if (controlState_.Contains(csClicked)) {
    controlState_ -= csClicked;
    if (IsControlMouseClick(p.X, p.Y)) Click();
  }
  if (!self) return;
  if (!controlStyle_.Contains(csNoStdEvents)) MouseUp(mbLeft, MouseShift(m), p.X, p.Y);
}

void TControl::WMRButtonDown(TMessage& m) {
  TPoint p = MsgPoint(m);
  if (!controlStyle_.Contains(csNoStdEvents)) MouseDown(mbRight, MouseShift(m), p.X, p.Y);
}

void TControl::WMRButtonUp(TMessage& m) {
  TWeakRef<TControl> self(this);
  TPoint p = MsgPoint(m);
  if (!controlStyle_.Contains(csNoStdEvents)) MouseUp(mbRight, MouseShift(m), p.X, p.Y);
  if (!self) return;
  // The context menu request, in screen coordinates, as the system sends it after the button.
  TPoint s = ClientToScreen(p);
  TWinControl* w = dynamic_cast<TWinControl*>(this);
  Perform(WM_CONTEXTMENU, reinterpret_cast<NativeUInt>(w && w->HandleAllocated() ? w->Handle() : nullptr), PointToLParam(s));
}

void TControl::WMMButtonDown(TMessage& m) {
  TPoint p = MsgPoint(m);
  if (!controlStyle_.Contains(csNoStdEvents)) MouseDown(mbMiddle, MouseShift(m), p.X, p.Y);
}

void TControl::WMMButtonUp(TMessage& m) {
  TPoint p = MsgPoint(m);
  if (!controlStyle_.Contains(csNoStdEvents)) MouseUp(mbMiddle, MouseShift(m), p.X, p.Y);
}

void TControl::WMMouseMove(TMessage& m) {
  TPoint p = MsgPoint(m);
  if (!controlStyle_.Contains(csNoStdEvents)) MouseMove(MouseShift(m), p.X, p.Y);
}

void TControl::WMMouseWheel(TMessage& m) {
  TPoint p = MsgPoint(m);
  if (DoMouseWheel(KeysToShiftState(GET_KEYSTATE_WPARAM(m.WParam)), GET_WHEEL_DELTA_WPARAM(m.WParam), p)) {
    m.Result = 1;
  } else if (parent_) {
    m.Result = parent_->Perform(WM_MOUSEWHEEL, m.WParam, m.LParam);
  }
}

bool TControl::DoMouseWheel(TShiftState shift, Integer delta, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, shift, delta, mousePos, handled);
  return handled;
}

void TControl::DoContextPopup(TPoint mousePos, bool& handled) {
  if (OnContextPopup) OnContextPopup(this, mousePos, handled);
}

void TControl::WMContextMenu(TMessage& m) {
  if (m.Result != 0) return;
  TPoint screen = MsgPoint(m);
  bool keyboard = screen.X == -1 && screen.Y == -1;
  TPoint client = keyboard ? TPoint{-1, -1} : ScreenToClient(screen);
  bool handled = false;
  TWeakRef<TControl> self(this);
  DoContextPopup(client, handled);
  if (!self) return;
  if (handled) {
    m.Result = 1;
    return;
  }
  TPopupMenu* menu = GetPopupMenu();
  if (menu && menu->AutoPopup()) {
    SendCancelMode(nullptr);
    menu->SetPopupComponent(this);
    if (keyboard) screen = ClientToScreen({0, 0});
    menu->Popup(screen.X, screen.Y);
    m.Result = 1;
    return;
  }
  if (parent_) m.Result = parent_->Perform(WM_CONTEXTMENU, m.WParam, m.LParam);
}

void TControl::WMCancelMode(TMessage&) {
  SetMouseCapture(false);
  controlState_ -= csClicked;
}

void TControl::SendCancelMode(TControl* sender) {
  // Asks the focused control's form to end what it is tracking (a drop-down, a capture).
  TControl* c = this;
  while (c && !dynamic_cast<TCustomForm*>(c)) c = c->parent_;
  if (c) static_cast<TCustomForm*>(c)->SendCancelMode(sender);
}

void TControl::MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) {
  if (OnMouseDown) OnMouseDown(this, b, s, x, y);
}
void TControl::MouseMove(TShiftState s, Integer x, Integer y) {
  if (OnMouseMove) OnMouseMove(this, s, x, y);
}
void TControl::MouseUp(TMouseButton b, TShiftState s, Integer x, Integer y) {
  if (OnMouseUp) OnMouseUp(this, b, s, x, y);
}
void TControl::Click() {
  if (OnClick) OnClick(this);
  else if (actionLink_ && !ComponentState().Contains(csDesigning)) actionLink_->Execute(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::CMMouseEnter(TMessage& m) {
  if (parent_) parent_->Perform(CM_MOUSEENTER, 0, m.LParam ? m.LParam : reinterpret_cast<NativeInt>(this));
  if (m.LParam == 0 && OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage& m) {
  if (parent_) parent_->Perform(CM_MOUSELEAVE, 0, m.LParam ? m.LParam : reinterpret_cast<NativeInt>(this));
  if (m.LParam == 0 && OnMouseLeave) OnMouseLeave(this);
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }
void TControl::CMVisibleChanged(TMessage&) { InvalidateControl(true, visible_ && controlStyle_.Contains(csOpaque)); }
void TControl::CMFontChanged(TMessage&) {
  Invalidate();
  AdjustSize();
}
void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMTextChanged(TMessage&) {
  Invalidate();
  AdjustSize();
}
void TControl::CMParentFontChanged(TMessage&) {
  if (parentFont_) ApplyParentFont();
}
void TControl::CMParentColorChanged(TMessage&) {
  if (parentColor_ && parent_) {
    color_ = parent_->Color();
    Perform(CM_COLORCHANGED);
    parentColor_ = true;
  }
}
void TControl::CMParentShowHintChanged(TMessage&) {
  if (parentShowHint_ && parent_) showHint_ = parent_->ShowHint();
}
void TControl::CMCursorChanged(TMessage&) {}
void TControl::CMHitTest(TMessage& m) { m.Result = HTCLIENT; }
void TControl::CMHintShow(TMessage&) {}
void TControl::CMSysColorChange(TMessage&) { Invalidate(); }
void TControl::CMDrag(TMessage&) {}

void TControl::Loaded() {
  TComponent::Loaded();
  if (parent_) {
    if (parentColor_) {
      color_ = parent_->Color();
    }
    if (parentFont_) ApplyParentFont();
    if (parentShowHint_) showHint_ = parent_->ShowHint();
  }
  UpdateAnchorRules();
  AdjustSize();
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
  if (!parent_ || !parent_->HandleAllocated() || dynamic_cast<TWinControl*>(this)) return;
  if (!isVisible && !visible_) return;
  TRect r = BoundsRect();
  InvalidateRect(parent_->Handle(), &r, !(isOpaque || controlStyle_.Contains(csOpaque)));
}

void TControl::Invalidate() { InvalidateControl(visible_, controlStyle_.Contains(csOpaque)); }

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  if (!parent_ || !visible_ || !parent_->HandleAllocated()) return;
  Invalidate();
  parent_->Update();
}

void TControl::SetZOrder(bool topMost) {
  if (parent_) parent_->SetZOrderPosition(this, topMost);
}
void TControl::BringToFront() { SetZOrder(true); }
void TControl::SendToBack() { SetZOrder(false); }

void TControl::BeginDrag(bool immediate, Integer threshold) {
  TDragManager::Instance().Begin(this, immediate, threshold < 0 ? Mouse()->DragThreshold() : threshold);
}

void TControl::EndDrag(bool drop) {
  if (Dragging()) TDragManager::Instance().Finish(drop);
}

bool TControl::Dragging() const { return TDragManager::Instance().DragControl() == this; }

void TControl::DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) {
  accept = false;
  if (OnDragOver) {
    accept = true;
    OnDragOver(this, source, x, y, state, accept);
  }
}

void TControl::DragDrop(TObject* source, Integer x, Integer y) {
  if (OnDragDrop) OnDragDrop(this, source, x, y);
}

void TControl::DoStartDrag(TDragObject*& dragObject) {
  if (OnStartDrag) OnStartDrag(this, dragObject);
}

void TControl::DoEndDrag(TObject* target, Integer x, Integer y) {
  if (OnEndDrag) OnEndDrag(this, target, x, y);
}

// ---- TWinControl ---------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TWinControl) {
  p.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
  p.Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
  p.Int("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth).Default(0);
  p.Bool("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered);
  p.Bool("ParentBackground", &TWinControl::ParentBackground, &TWinControl::SetParentBackground);
  p.Event("OnEnter", &TWinControl::OnEnter);
  p.Event("OnExit", &TWinControl::OnExit);
  p.Event("OnKeyDown", &TWinControl::OnKeyDown, "TKeyEvent");
  p.Event("OnKeyUp", &TWinControl::OnKeyUp, "TKeyEvent");
  p.Event("OnKeyPress", &TWinControl::OnKeyPress, "TKeyPressEvent");
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner), brush_(new TBrush) {
  color_ = DefaultColor();
  brush_->SetColor(color_);
}

TWinControl::~TWinControl() {
  // Free the child controls first; each leaves this control's lists as it goes.
  while (!controls_.empty()) {
    TControl* c = controls_.back();
    RemoveControl(c);
    c->Free();
  }
  DestroyHandle();
  if (parent_) parent_->RemoveControl(this);
}

HWND TWinControl::Handle() {
  if (!handle_) {
    if (parent_) parent_->HandleNeeded();
    CreateHandle();
  }
  return handle_;
}

void TWinControl::SetParentWindow(HWND v) {
  if (parent_ || v == parentWindow_) return;
  DestroyHandle();
  parentWindow_ = v;
  UpdateControlState();
}

TWinControl* TWinControl::CreateParented(TClass cls, HWND parentWindow) {
  auto* c = dynamic_cast<TWinControl*>(cls->Create(nullptr));
  if (!c) throw EInvalidCast("Invalid class typecast");
  c->parentWindow_ = parentWindow;
  return c;
}

void TWinControl::CreateParams(TCreateParams& p) {
  p = TCreateParams();
  p.Caption = text_;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (controlStyle_.Contains(csAcceptsControls)) {
    p.Style |= WS_CLIPCHILDREN;
    p.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!enabled_) p.Style |= WS_DISABLED;
  if (tabStop_) p.Style |= WS_TABSTOP;
  p.X = left_;
  p.Y = top_;
  p.Width = width_;
  p.Height = height_;
  p.WndParent = parent_ ? parent_->Handle() : parentWindow_;
  p.WinClassName = ClassName();
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
  WNDCLASS wc;
  if (!GetClassInfo(nullptr, p.WinClassName.c_str(), &wc)) {
    static std::vector<std::unique_ptr<String>> names;  // class names must outlive registration
    names.push_back(std::make_unique<String>(p.WinClassName));
    WNDCLASS n;
    n.style = p.WindowClassStyle;
    n.lpfnWndProc = &ControlWndProc;
    n.hCursor = LoadCursor(nullptr, IDC_ARROW);
    n.lpszClassName = names.back()->c_str();
    ::RegisterClass(&n);
  }
  g_creatingControl = this;
  HWND h = CreateWindowEx(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width,
                          p.Height, p.WndParent, nullptr, nullptr, nullptr);
  g_creatingControl = nullptr;
  if (!h) throw EOutOfResources("Error creating window");
  if (!handle_) {
    handle_ = h;
    SetWindowLongPtr(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if ((p.Style & WS_CHILD) && !p.WndParent) throw EInvalidOperation(Format(vcl_consts::SParentRequired, {Name()}));
  CreateWindowHandle(p);
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  controlState_ += csCreating;
  try {
    CreateWnd();
  } catch (...) {
    controlState_ -= csCreating;
    throw;
  }
  controlState_ -= csCreating;
  if (parent_) {
    // Keep the window's place among its siblings' windows.
    HWND after = HWND_TOP;
    auto it = std::find(parent_->controls_.begin(), parent_->controls_.end(), this);
    for (auto j = it + 1; j != parent_->controls_.end(); ++j) {
      auto* w = dynamic_cast<TWinControl*>(*j);
      if (w && w->handle_) { after = w->handle_; break; }
    }
    if (after != HWND_TOP) SetWindowPos(handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    else SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void TWinControl::DestroyWindowHandle() {
  HWND h = handle_;
  if (!h) return;
  destroyingHandle_ = true;
  controlState_ += csDestroyingHandle;
  DestroyWindow(h);
  controlState_ -= csDestroyingHandle;
  destroyingHandle_ = false;
  handle_ = nullptr;
}

void TWinControl::DestroyWnd() {
  if (auto* cc = dynamic_cast<TCustomControl*>(this))
    if (auto* canvas = dynamic_cast<TControlCanvas*>(cc->Canvas())) canvas->FreeHandle();
  for (TControl* c : controls_)
    if (auto* g = dynamic_cast<TGraphicControl*>(c))
      if (auto* canvas = dynamic_cast<TControlCanvas*>(g->Canvas())) canvas->FreeHandle();
  DestroyWindowHandle();
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  DestroyWnd();
  showing_ = false;
}

void TWinControl::RecreateWnd() {
  if (handle_) Perform(CM_RECREATEWND);
}

void TWinControl::CMRecreateWnd(TMessage&) {
  bool wasFocused = Focused();
  DestroyHandle();
  UpdateControlState();
  if (wasFocused && handle_) ::SetFocus(handle_);
}

// -- children

void TWinControl::InsertControl(TControl* c) {
  c->parent_ = this;
  controls_.push_back(c);
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    tabList_.push_back(w);
  }
  if (!c->IsLoading()) {
    c->Perform(CM_PARENTCOLORCHANGED);
    c->Perform(CM_PARENTFONTCHANGED);
    c->Perform(CM_PARENTSHOWHINTCHANGED);
  }
  c->UpdateAnchorRules();
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    w->UpdateControlState();
  } else if (handle_) {
    c->Invalidate();
  }
  AlignControl(c);
  Perform(CM_CONTROLCHANGE, reinterpret_cast<NativeUInt>(c), 1);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<NativeUInt>(c), 1);
}

void TWinControl::RemoveControl(TControl* c) {
  auto it = std::find(controls_.begin(), controls_.end(), c);
  if (it == controls_.end()) return;
  Perform(CM_CONTROLCHANGE, reinterpret_cast<NativeUInt>(c), 0);
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(w, true);
    w->DestroyHandle();
    w->showing_ = false;
  } else if (handle_) {
    c->InvalidateControl(c->Visible(), false);
  }
  if (captureControl_ == c) captureControl_ = nullptr;
  it = std::find(controls_.begin(), controls_.end(), c);
  if (it != controls_.end()) controls_.erase(it);
  tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), c), tabList_.end());
  c->parent_ = nullptr;
  if (!ComponentState().Contains(csDestroying)) Realign();
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<NativeUInt>(c), 0);
}

bool TWinControl::ContainsControl(TControl* c) const {
  while (c && c != this) c = c->parent_;
  return c == this;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls) {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    bool isWin = dynamic_cast<TWinControl*>(c) != nullptr;
    if (isWin && !allowWinControls) continue;
    if (!c->visible_ || (!c->enabled_ && !allowDisabled)) continue;
    if (!c->BoundsRect().Contains(p)) continue;
    TPoint local{p.X - c->left_, p.Y - c->top_};
    if (c->Perform(CM_HITTEST, 0, PointToLParam(local)) == 0) continue;
    return c;
  }
  return nullptr;
}

TControl* TWinControl::FindChildControl(const String& name) const {
  for (TControl* c : controls_)
    if (SameText(c->Name(), name)) return c;
  return nullptr;
}

void TWinControl::Broadcast(TMessage& m) {
  std::vector<TControl*> list = controls_;
  for (TControl* c : list) {
    c->WndProc(m);
    if (m.Result != 0) return;
  }
}

void TWinControl::NotifyControls(Cardinal msg) {
  TMessage m{msg, 0, 0, 0};
  Broadcast(m);
}

void TWinControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (TControl* c : controls_)
    if (c->Owner() == root) proc(c);
}

void TWinControl::SetZOrderPosition(TControl* c, bool topMost) {
  auto it = std::find(controls_.begin(), controls_.end(), c);
  if (it == controls_.end()) return;
  controls_.erase(it);
  if (topMost) controls_.push_back(c);
  else controls_.insert(controls_.begin(), c);
  if (auto* w = dynamic_cast<TWinControl*>(c); w && w->handle_)
    SetWindowPos(w->handle_, topMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  else
    c->Invalidate();
}

// -- tab order and focus

void TWinControl::SetTabStop(bool v) {
  if (v == tabStop_) return;
  tabStop_ = v;
  if (handle_) {
    LONG style = GetWindowLong(handle_, GWL_STYLE);
    SetWindowLong(handle_, GWL_STYLE, v ? (style | LONG(WS_TABSTOP)) : (style & ~LONG(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED);
}

TTabOrder TWinControl::TabOrder() const {
  if (!parent_) return -1;
  auto& l = parent_->tabList_;
  auto it = std::find(l.begin(), l.end(), this);
  return it == l.end() ? -1 : TTabOrder(it - l.begin());
}

void TWinControl::SetTabOrder(TTabOrder v) {
  if (IsLoading()) {
    loadedTabOrder_ = v;
    return;
  }
  if (!parent_) return;
  auto& l = parent_->tabList_;
  auto it = std::find(l.begin(), l.end(), this);
  if (it == l.end()) return;
  l.erase(it);
  if (v < 0 || v >= TTabOrder(l.size())) l.push_back(this);
  else l.insert(l.begin() + v, this);
}

void TWinControl::FixupTabList() {
  // Children read from a form description bring the tab order they were stored with.
  std::vector<TWinControl*> stored, rest;
  for (TWinControl* w : tabList_) (w->loadedTabOrder_ >= 0 ? stored : rest).push_back(w);
  std::stable_sort(stored.begin(), stored.end(),
                   [](TWinControl* a, TWinControl* b) { return a->loadedTabOrder_ < b->loadedTabOrder_; });
  for (TWinControl* w : stored) w->loadedTabOrder_ = -1;
  stored.insert(stored.end(), rest.begin(), rest.end());
  tabList_ = stored;
}

bool TWinControl::CanFocus() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return visible_ && enabled_;
  TControl* c = this;
  while (c && c != form) {
    if (!c->visible_ || !c->enabled_) return false;
    c = c->parent_;
  }
  return true;
}

bool TWinControl::Focused() { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this)) {
    form->FocusControl(this);
  } else if (parentWindow_ || !parent_) {
    ::SetFocus(Handle());
  } else {
    ValidParentForm(this);
  }
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
  for (TWinControl* w : tabList_) {
    list.push_back(w);
    w->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* cur, bool goForward, bool checkTabStop, bool checkParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  int n = int(list.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (list[size_t(i)] == cur) start = i;
  if (start < 0) start = goForward ? n - 1 : 0;
  int i = start;
  for (int k = 0; k < n; ++k) {
    i = goForward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* c = list[size_t(i)];
    if (c == cur && k < n - 1) continue;
    if ((!checkTabStop || c->tabStop_) && (!checkParent || c->parent_ == this) && c->CanFocus()) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* cur, bool goForward, bool checkTabStop) {
  TWinControl* next = FindNextControl(cur, goForward, checkTabStop, !checkTabStop);
  if (next) next->SetFocus();
}

// -- alignment

TRect TWinControl::ClientRect() {
  if (handle_) {
    RECT r;
    GetClientRect(handle_, &r);
    return r;
  }
  return Rect(0, 0, width_, height_);
}

void TWinControl::AdjustClientRect(TRect& r) {
  r.Left += borderWidth_;
  r.Top += borderWidth_;
  r.Right -= borderWidth_;
  r.Bottom -= borderWidth_;
}

void TWinControl::SetBorderWidth(Integer v) {
  if (v == borderWidth_) return;
  borderWidth_ = v;
  Realign();
  Invalidate();
}

void TWinControl::SetParentBackground(bool v) {
  if (v) controlStyle_ += csParentBackground;
  else controlStyle_ -= csParentBackground;
  Invalidate();
}

void TWinControl::DisableAlign() { ++alignLevel_; }

void TWinControl::EnableAlign() {
  if (--alignLevel_ == 0 && controlState_.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* c) {
  if (alignLevel_ > 0 || IsLoading() || ComponentState().Contains(csDestroying)) {
    controlState_ += csAlignmentNeeded;
    return;
  }
  ++alignLevel_;
  try {
    TRect r = ClientRect();
    AlignControls(c, r);
  } catch (...) {
    --alignLevel_;
    throw;
  }
  --alignLevel_;
  controlState_ -= csAlignmentNeeded;
}

void TWinControl::AlignControls(TControl* moved, TRect& rect) {
  AdjustClientRect(rect);
  TRect client = ClientRect();
  // Anchored controls follow the parent's size relative to where they were placed.
  for (TControl* c : controls_) {
    if (c->align_ != alNone || c->anchors_ == TAnchors{akLeft, akTop} || c->anchorParentSize_.cx < 0) continue;
    TRect a = c->anchorRect_;
    Integer dx = client.Width() - c->anchorParentSize_.cx;
    Integer dy = client.Height() - c->anchorParentSize_.cy;
    Integer l = a.Left, t = a.Top, w = a.Width(), h = a.Height();
    bool L = c->anchors_.Contains(akLeft), R = c->anchors_.Contains(akRight);
    bool T = c->anchors_.Contains(akTop), B = c->anchors_.Contains(akBottom);
    if (L && R) w += dx;
    else if (R) l += dx;
    else if (!L) l += dx / 2;
    if (T && B) h += dy;
    else if (B) t += dy;
    else if (!T) t += dy / 2;
    c->anchorMove_ = true;
    c->SetBounds(l, t, std::max(w, 0), std::max(h, 0));
    c->anchorMove_ = false;
  }
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> list;
    for (TControl* c : controls_) {
      if (c->align_ != align || !c->visible_) continue;
      auto before = [align, moved](TControl* c1, TControl* c2) {
        if (c1 == moved) return true;
        if (c2 == moved) return false;
        switch (align) {
          case alTop: return c1->top_ < c2->top_;
          case alBottom: return c1->top_ + c1->height_ >= c2->top_ + c2->height_;
          case alLeft: return c1->left_ < c2->left_;
          case alRight: return c1->left_ + c1->width_ >= c2->left_ + c2->width_;
          default: return false;
        }
      };
      auto pos = list.begin();
      while (pos != list.end() && !before(c, *pos)) ++pos;
      list.insert(pos, c);
    }
    for (TControl* c : list) {
      Integer l = rect.Left, t = rect.Top, w = rect.Width(), h = rect.Height();
      switch (align) {
        case alTop: h = c->height_; break;
        case alBottom: h = c->height_; t = rect.Bottom - h; break;
        case alLeft: w = c->width_; break;
        case alRight: w = c->width_; l = rect.Right - w; break;
        default: break;
      }
      c->anchorMove_ = true;
      c->SetBounds(l, t, std::max(w, 0), std::max(h, 0));
      c->anchorMove_ = false;
      switch (align) {
        case alTop: rect.Top += c->height_; break;
        case alBottom: rect.Bottom -= c->height_; break;
        case alLeft: rect.Left += c->width_; break;
        case alRight: rect.Right -= c->width_; break;
        default: break;
      }
    }
  }
}

void TWinControl::SetBounds(Integer l, Integer t, Integer w, Integer h) {
  l = ClampCoord(l), t = ClampCoord(t), w = ClampCoord(w), h = ClampCoord(h);
  if (constraints_) constraints_->Apply(w, h);
  if (l == left_ && t == top_ && w == width_ && h == height_) return;
  bool sized = w != width_ || h != height_;
  if (sized && !CanResize(w, h)) return;
  left_ = l;
  top_ = t;
  width_ = w;
  height_ = h;
  if (handle_) {
    TPoint pos{l, t};
    if (!parent_ && !parentWindow_) pos = {l, t};
    SetWindowPos(handle_, nullptr, pos.X, pos.Y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  UpdateAnchorRules();
  RequestAlign();
  if (sized) {
    Realign();
    if (!IsLoading()) Resize();
  }
}

void TWinControl::WMSize(TMessage& m) {
  DefWndProc(m);
  if (!handle_) return;
  RECT r;
  GetWindowRect(handle_, &r);
  TPoint tl = r.TopLeft();
  if (parent_) tl = parent_->ScreenToClient(tl);
  if (r.Width() != width_ || r.Height() != height_) {
    left_ = tl.X;
    top_ = tl.Y;
    width_ = r.Width();
    height_ = r.Height();
    UpdateAnchorRules();
    RequestAlign();
    Realign();
    Resize();
  }
}

void TWinControl::WMMove(TMessage& m) {
  DefWndProc(m);
  if (!handle_) return;
  RECT r;
  GetWindowRect(handle_, &r);
  TPoint tl = r.TopLeft();
  if (parent_) tl = parent_->ScreenToClient(tl);
  left_ = tl.X;
  top_ = tl.Y;
}

TPoint TWinControl::ClientOrigin() {
  if (handle_) {
    POINT p{0, 0};
    ::ClientToScreen(handle_, &p);
    return p;
  }
  return TControl::ClientOrigin();
}

// -- showing

void TWinControl::UpdateShowing() {
  // Whether the parents show is decided by the caller (UpdateControlState); a hidden
  // parent's window hides its children's.
  bool show = visible_ && !IsLoading();
  if (show) {
    if (!handle_) CreateHandle();
    std::vector<TControl*> list = controls_;
    for (TControl* c : list)
      if (auto* w = dynamic_cast<TWinControl*>(c)) w->UpdateShowing();
  }
  if (handle_ && showing_ != show) {
    showing_ = show;
    try {
      Perform(CM_SHOWINGCHANGED);
    } catch (...) {
      showing_ = !show;
      throw;
    }
  }
  if (!show) {
    for (TControl* c : controls_)
      if (auto* w = dynamic_cast<TWinControl*>(c)) w->UpdateShowing();
  }
}

void TWinControl::UpdateControlState() {
  TWinControl* c = this;
  while (c->parent_) {
    c = c->parent_;
    if (!c->showing_) return;
  }
  if (dynamic_cast<TCustomForm*>(c) || c->parentWindow_) UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
  SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (showing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage& m) {
  if (!visible_ && parent_) {
    if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(this, false);
  }
  UpdateControlState();
  (void)m;
}

void TWinControl::CMEnabledChanged(TMessage& m) {
  if (!enabled_ && parent_) {
    if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(this, false);
  }
  if (handle_) EnableWindow(handle_, enabled_);
  TControl::CMEnabledChanged(m);
}

void TWinControl::CMFontChanged(TMessage& m) {
  TControl::CMFontChanged(m);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMColorChanged(TMessage& m) {
  brush_->SetColor(color_);
  TControl::CMColorChanged(m);
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMTextChanged(TMessage& m) {
  if (handle_) SetWindowText(handle_, text_.c_str());
  TControl::CMTextChanged(m);
}

void TWinControl::CMSysColorChange(TMessage& m) {
  TControl::CMSysColorChange(m);
  brush_->SetColor(color_);  // a system colour brush takes the new value
  std::vector<TControl*> list = controls_;
  for (TControl* c : list) c->Perform(CM_SYSCOLORCHANGE, m.WParam, m.LParam);
}

void TWinControl::Loaded() {
  TControl::Loaded();
  FixupTabList();
  brush_->SetColor(color_);
  UpdateControlState();
  Realign();
}

// -- painting

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, !controlStyle_.Contains(csOpaque));
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
  if (handle_) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (!dc) return;
  TRect r = ClientRect();
  if (ParentBackground() && parent_ && parent_->HandleAllocated()) {
    // Let the parent paint what is behind this control.
    int saved = SaveDC(dc);
    POINT o;
    GetWindowOrgEx(dc, &o);
    SetWindowOrgEx(dc, o.X + left_, o.Y + top_, nullptr);
    parent_->Perform(WM_ERASEBKGND, m.WParam, m.WParam);
    RestoreDC(dc, saved);
  } else {
    ::FillRect(dc, &r, brush_->Handle());
  }
  m.Result = 1;
}

void TWinControl::WMPaint(TMessage& m) {
  if (m.WParam == 0 && doubleBuffered_ && handle_) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(handle_, &ps);
    TRect r = ClientRect();
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, std::max(r.Width(), 1), std::max(r.Height(), 1));
    HGDIOBJ old = SelectObject(mem, bmp);
    Perform(WM_ERASEBKGND, reinterpret_cast<NativeUInt>(mem), reinterpret_cast<NativeInt>(mem));
    TMessage pm{WM_PAINT, reinterpret_cast<NativeUInt>(mem), 0, 0};
    PaintHandler(pm);
    BitBlt(dc, 0, 0, r.Width(), r.Height(), mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    EndPaint(handle_, &ps);
    return;
  }
  PaintHandler(m);
}

void TWinControl::PaintHandler(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  PAINTSTRUCT ps;
  bool own = dc == nullptr;
  if (own) {
    if (!handle_) return;
    dc = BeginPaint(handle_, &ps);
  }
  try {
    int saved = SaveDC(dc);
    // The window's own drawing must not cover the graphic children painted after it.
    for (TControl* c : controls_) {
      if (dynamic_cast<TWinControl*>(c) || !c->visible_ || !c->controlStyle_.Contains(csOpaque)) continue;
      ExcludeClipRect(dc, c->left_, c->top_, c->left_ + c->width_, c->top_ + c->height_);
    }
    PaintWindow(dc);
    RestoreDC(dc, saved);
    PaintControls(dc, nullptr);
  } catch (...) {
    if (own) EndPaint(handle_, &ps);
    throw;
  }
  if (own) EndPaint(handle_, &ps);
}

void TWinControl::PaintWindow(HDC dc) {
  TMessage m{WM_PAINT, reinterpret_cast<NativeUInt>(dc), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  auto it = controls_.begin();
  if (first) it = std::find(controls_.begin(), controls_.end(), first);
  std::vector<TControl*> list(it, controls_.end());
  for (TControl* c : list) {
    if (dynamic_cast<TWinControl*>(c) || !c->visible_) continue;
    TRect r = c->BoundsRect();
    if (!RectVisible(dc, &r)) continue;
    int saved = SaveDC(dc);
    POINT o;
    GetWindowOrgEx(dc, &o);
    SetWindowOrgEx(dc, o.X - c->left_, o.Y - c->top_, nullptr);
    IntersectClipRect(dc, 0, 0, c->width_, c->height_);
    c->Perform(WM_PAINT, reinterpret_cast<NativeUInt>(dc), 0);
    RestoreDC(dc, saved);
  }
}

void TWinControl::PaintTo(HDC dc, Integer x, Integer y) {
  int saved = SaveDC(dc);
  POINT o;
  GetWindowOrgEx(dc, &o);
  SetWindowOrgEx(dc, o.X - x, o.Y - y, nullptr);
  IntersectClipRect(dc, 0, 0, width_, height_);
  Perform(WM_ERASEBKGND, reinterpret_cast<NativeUInt>(dc), reinterpret_cast<NativeInt>(dc));
  TMessage m{WM_PAINT, reinterpret_cast<NativeUInt>(dc), 0, 0};
  PaintHandler(m);
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->visible_) w->PaintTo(dc, w->left_, w->top_);
  RestoreDC(dc, saved);
}

void TWinControl::ScaleBy(Integer m, Integer d) {
  DisableAlign();
  for (TControl* c : controls_) c->ChangeScale(m, d);
  EnableAlign();
}

// -- messages

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SETFOCUS: {
      TCustomForm* form = GetParentForm(this);
      if (form && form != static_cast<TControl*>(this) && !form->SetFocusedControl(this)) return;
      if (form == static_cast<TControl*>(this) && !form->SetFocusedControl(form->ActiveControl() ? static_cast<TWinControl*>(form->ActiveControl()) : this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (controlState_.Contains(csFocusing)) return;
      break;
    case WM_NCHITTEST:
      break;
    default:
      if ((m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST) || m.Msg == WM_MOUSEWHEEL) {
        if (IsControlMouseMsg(m)) return;
      }
      break;
  }
  TControl::WndProc(m);
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
  if (m.Msg == WM_MOUSEWHEEL) return false;
  TControl* target = nullptr;
  TPoint p = MsgPoint(m);
  TControl* cap = Mouse()->Capture();
  if (cap && cap->parent_ == this && !dynamic_cast<TWinControl*>(cap)) {
    target = cap;
  } else if (!cap || cap == this) {
    target = ControlAtPos(p, false);
  }
  if (!target) return false;
  TPoint local{p.X - target->left_, p.Y - target->top_};
  TMessage fwd{m.Msg, m.WParam, PointToLParam(local), 0};
  target->WndProc(fwd);
  m.Result = fwd.Result;
  return true;
}

void TWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_WININICHANGE: {
      // The settings-change notification goes on to every child (a form gets it first).
      std::vector<TControl*> list = controls_;
      for (TControl* c : list) c->Perform(CM_WININICHANGE, m.WParam, m.LParam);
      break;
    }
    case WM_PAINT: WMPaint(m); return;
    case WM_ERASEBKGND: WMEraseBkgnd(m); return;
    case WM_SETFOCUS: WMSetFocus(m); return;
    case WM_KILLFOCUS: WMKillFocus(m); return;
    case WM_KEYDOWN: WMKeyDown(m); return;
    case WM_KEYUP: WMKeyUp(m); return;
    case WM_CHAR: WMChar(m); return;
    case WM_SYSKEYDOWN: WMSysKeyDown(m); return;
    case WM_GETDLGCODE: WMGetDlgCode(m); return;
    case WM_SIZE: WMSize(m); return;
    case WM_MOVE: WMMove(m); return;
    case WM_SETCURSOR: WMSetCursor(m); return;
    case WM_NCHITTEST: WMNCHitTest(m); return;
    case WM_NCDESTROY:
      DefWndProc(m);
      if (!destroyingHandle_) {
        handle_ = nullptr;
        showing_ = false;
      }
      return;
    case CN_BASE + WM_KEYDOWN: CNKeyDown(m); return;
    case CN_BASE + WM_SYSKEYDOWN: CNKeyDown(m); return;
    case CN_BASE + WM_CHAR: CNChar(m); return;
    case CN_BASE + WM_SYSCHAR: CNSysChar(m); return;
    case CM_DIALOGKEY: CMDialogKey(m); return;
    case CM_DIALOGCHAR: CMDialogChar(m); return;
    case CM_CHILDKEY: CMChildKey(m); return;
    case CM_WANTSPECIALKEY: CMWantSpecialKey(m); return;
    case CM_ENTER: CMEnter(m); return;
    case CM_EXIT: CMExit(m); return;
    case CM_FOCUSCHANGED: CMFocusChanged(m); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(m); return;
    case CM_CONTROLLISTCHANGE: CMControlListChange(m); return;
    case CM_RECREATEWND: CMRecreateWnd(m); return;
    default: TControl::Dispatch(m); return;
  }
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (handle_) {
    DefWndProc(m);
    return;
  }
  TControl::DefaultHandler(m);
}

void TWinControl::DefWndProc(TMessage& m) {
  // Context menus are raised by the controls themselves (see WMRButtonUp) and climb the
  // parent chain there; the system's own climbing would raise them twice.
  if (m.Msg == WM_CONTEXTMENU || m.Msg == WM_RBUTTONUP || m.Msg == WM_MOUSEWHEEL) return;
  if (!handle_) return;
  m.Result = DefWindowProc(handle_, m.Msg, m.WParam, m.LParam);
}

void TWinControl::WMSetFocus(TMessage& m) { DefWndProc(m); }
void TWinControl::WMKillFocus(TMessage& m) { DefWndProc(m); }

void TWinControl::WMNCHitTest(TMessage& m) { DefWndProc(m); }

void TWinControl::WMSetCursor(TMessage& m) {
  if (reinterpret_cast<HWND>(m.WParam) == handle_ && LOWORD(uintptr_t(m.LParam)) == HTCLIENT) {
    TCursor cursor = ScreenCursor();
    if (cursor == crDefault) {
      POINT p;
      GetCursorPos(&p);
      TPoint local = ScreenToClient(p);
      TControl* c = ControlAtPos(local, false);
      cursor = c ? c->cursor_ : cursor_;
    }
    if (cursor != crDefault) {
      ::SetCursor(ScreenCursorHandle(cursor));
      m.Result = 1;
      return;
    }
  }
  DefWndProc(m);
}

void TWinControl::WMGetDlgCode(TMessage& m) { m.Result = 0; }

bool TWinControl::DoKeyDown(Word& key, NativeInt keyData) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != static_cast<TControl*>(this) && form->KeyPreview() && form->DoKeyDown(key, keyData)) return true;
  if (!controlStyle_.Contains(csNoStdEvents)) {
    KeyDown(key, KeyDataToShiftState(keyData));
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(Word& key, NativeInt keyData) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != static_cast<TControl*>(this) && form->KeyPreview() && form->DoKeyUp(key, keyData)) return true;
  if (!controlStyle_.Contains(csNoStdEvents)) {
    KeyUp(key, KeyDataToShiftState(keyData));
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyPress(char32_t& key) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != static_cast<TControl*>(this) && form->KeyPreview() && form->DoKeyPress(key)) return true;
  if (!controlStyle_.Contains(csNoStdEvents)) {
    KeyPress(key);
    if (key == 0) return true;
  }
  return false;
}

void TWinControl::KeyDown(Word& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}
void TWinControl::KeyUp(Word& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}
void TWinControl::KeyPress(char32_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::WMKeyDown(TMessage& m) {
  Word key = Word(m.WParam);
  if (!DoKeyDown(key, m.LParam)) DefWndProc(m);
}

void TWinControl::WMSysKeyDown(TMessage& m) {
  Word key = Word(m.WParam);
  if (!DoKeyDown(key, m.LParam)) DefWndProc(m);
}

void TWinControl::WMKeyUp(TMessage& m) {
  Word key = Word(m.WParam);
  if (!DoKeyUp(key, m.LParam)) DefWndProc(m);
}

void TWinControl::WMChar(TMessage& m) {
  char32_t ch = char32_t(m.WParam);
  if (!DoKeyPress(ch)) DefWndProc(m);
  m.WParam = ch;
}

void TWinControl::CNKeyDown(TMessage& m) {
  m.Result = 1;
  Word key = Word(m.WParam);
  // A popup menu's shortcut of this control or one of its parents.
  for (TControl* c = this; c; c = c->parent_) {
    if (c->popupMenu_ && c->popupMenu_->IsShortCut(key, KeyDataToShiftState(m.LParam))) return;
  }
  if (Perform(CM_CHILDKEY, key, reinterpret_cast<NativeInt>(this)) != 0) return;
  LRESULT mask = 0;
  switch (key) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
  }
  if (mask != 0 && Perform(CM_WANTSPECIALKEY, key) == 0 && (Perform(WM_GETDLGCODE) & mask) == 0) {
    TCustomForm* form = GetParentForm(this);
    if (form && form->Perform(CM_DIALOGKEY, key, m.LParam) != 0) return;
  }
  m.Result = 0;
}

void TWinControl::CNChar(TMessage& m) {
  m.Result = 1;
  if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0) {
    TCustomForm* form = GetParentForm(this);
    if (form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) return;
  }
  m.Result = 0;
}

void TWinControl::CNSysChar(TMessage& m) {
  // Alt with a letter: the control whose caption has that accelerator.
  m.Result = 0;
  if (m.WParam < 32) return;
  TCustomForm* form = GetParentForm(this);
  if (form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) m.Result = 1;
}

void TWinControl::CMDialogKey(TMessage& m) { Broadcast(m); }

void TWinControl::CMChildKey(TMessage& m) {
  // Parents see their children's keys first, innermost parent first.
  if (parent_) m.Result = parent_->Perform(CM_CHILDKEY, m.WParam, m.LParam);
}
void TWinControl::CMDialogChar(TMessage& m) { Broadcast(m); }

void TWinControl::CMFocusChanged(TMessage& m) {
  Broadcast(m);
  m.Result = 0;
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}
void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }

// ---- painting bases ------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TCustomControl)

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {
  auto* c = new TControlCanvas;
  c->SetControl(this);
  canvas_.reset(c);
}

TCustomControl::~TCustomControl() {
  DestroyHandle();
  canvas_.reset();
}

void TCustomControl::PaintWindow(HDC dc) {
  auto* cc = static_cast<TControlCanvas*>(canvas_.get());
  cc->FreeHandle();
  canvas_->Lock();
  try {
    canvas_->SetHandle(dc);
    Paint();
  } catch (...) {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
    throw;
  }
  canvas_->SetHandle(nullptr);
  canvas_->Unlock();
}

KORVAN_IMPLEMENT_CLASS(TGraphicControl)

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {
  auto* c = new TControlCanvas;
  c->SetControl(this);
  canvas_.reset(c);
  color_ = DefaultColor();
}

TGraphicControl::~TGraphicControl() { canvas_.reset(); }

void TGraphicControl::Dispatch(TMessage& m) {
  if (m.Msg == WM_PAINT && m.WParam != 0) {
    auto* cc = static_cast<TControlCanvas*>(canvas_.get());
    cc->FreeHandle();
    canvas_->Lock();
    try {
      canvas_->SetHandle(reinterpret_cast<HDC>(m.WParam));
      Paint();
    } catch (...) {
      canvas_->SetHandle(nullptr);
      canvas_->Unlock();
      throw;
    }
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
    return;
  }
  TControl::Dispatch(m);
}

KORVAN_IMPLEMENT_CLASS(TControlCanvas)

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* c) {
  if (c == control_) return;
  FreeHandle();
  control_ = c;
}

void TControlCanvas::FreeHandle() {
  if (!deviceContext_) return;
  HDC dc = deviceContext_;
  deviceContext_ = nullptr;
  SetHandle(nullptr);
  ReleaseDC(window_, dc);
  window_ = nullptr;
}

void TControlCanvas::CreateHandle() {
  if (!control_) return;
  if (auto* w = dynamic_cast<TWinControl*>(control_)) {
    window_ = w->Handle();
    deviceContext_ = GetDC(window_);
  } else {
    TWinControl* p = control_->Parent();
    if (!p) throw EInvalidOperation(Format(vcl_consts::SParentRequired, {control_->Name()}));
    window_ = p->Handle();
    deviceContext_ = GetDC(window_);
    SetWindowOrgEx(deviceContext_, -control_->Left(), -control_->Top(), nullptr);
    IntersectClipRect(deviceContext_, 0, 0, control_->Width(), control_->Height());
  }
  SetHandle(deviceContext_);
}

// ---- mouse ---------------------------------------------------------------------------------

namespace {
TControl* g_captureControl = nullptr;
}

TMouse* Mouse() {
  static TMouse mouse;
  return &mouse;
}

TPoint TMouse::CursorPos() const {
  POINT p;
  GetCursorPos(&p);
  return p;
}

void TMouse::SetCursorPos(TPoint p) { ::SetCursorPos(p.X, p.Y); }

Integer TMouse::WheelScrollLines() const {
  UINT lines = 3;
  if (!SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) return 3;
  return Integer(lines);
}

TControl* TMouse::Capture() const {
  HWND cap = GetCapture();
  if (!cap) {
    g_captureControl = nullptr;
    return nullptr;
  }
  if (g_captureControl) {
    // A graphic control holds the capture through its parent's window.
    TWinControl* p = dynamic_cast<TWinControl*>(g_captureControl) ? static_cast<TWinControl*>(g_captureControl)
                                                                   : g_captureControl->Parent();
    if (p && p->HandleAllocated() && p->Handle() == cap) return g_captureControl;
  }
  return FindControl(cap);
}

void TMouse::SetCapture(TControl* c) {
  g_captureControl = c;
  if (!c) {
    ReleaseCapture();
    return;
  }
  TWinControl* w = dynamic_cast<TWinControl*>(c) ? static_cast<TWinControl*>(c) : c->Parent();
  if (w) ::SetCapture(w->Handle());
}

// ---- finding controls ----------------------------------------------------------------------

TWinControl* FindVCLWindow(TPoint screen) {
  HWND wnd = WindowFromPoint(screen);
  while (wnd) {
    if (TControl* c = FindControl(wnd)) return static_cast<TWinControl*>(c);
    wnd = GetParent(wnd);
  }
  return nullptr;
}

TControl* FindDragTarget(TPoint screen, bool allowDisabled) {
  TWinControl* w = FindVCLWindow(screen);
  if (!w) return nullptr;
  TPoint local = w->ScreenToClient(screen);
  if (TControl* c = w->ControlAtPos(local, allowDisabled)) return c;
  return w;
}

TCustomForm* GetParentForm(TControl* control) {
  TControl* c = control;
  while (c && c->Parent()) c = c->Parent();
  return dynamic_cast<TCustomForm*>(c);
}

TCustomForm* ValidParentForm(TControl* control) {
  TCustomForm* f = GetParentForm(control);
  if (!f) throw EInvalidOperation(Format(vcl_consts::SParentRequired, {control ? control->Name() : String()}));
  return f;
}

// ---- drag and drop -------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TDragObject)
KORVAN_IMPLEMENT_CLASS(TBaseDragControlObject)
KORVAN_IMPLEMENT_CLASS(TDragControlObject)

void TBaseDragControlObject::Finished(TObject* target, Integer x, Integer y, bool accepted) {
  if (!accepted) {
    control_->DoEndDrag(nullptr, 0, 0);
  } else {
    control_->DoEndDrag(target, x, y);
  }
}

TCursor TDragControlObject::GetDragCursor(bool accepted, Integer, Integer) {
  return accepted ? control_->DragCursor() : crNoDrop;
}

TDragImageList* TDragControlObject::GetDragImages() { return control_->GetDragImages(); }
void TDragControlObject::HideDragImage() {}
void TDragControlObject::ShowDragImage() {}

TDragManager& TDragManager::Instance() {
  static TDragManager m;
  return m;
}

void TDragManager::Begin(TControl* control, bool immediate, Integer threshold) {
  if (dragObject_) return;
  dragControl_ = control;
  TDragObject* obj = nullptr;
  control->DoStartDrag(obj);
  if (!obj) {
    obj = new TDragControlObject(control);
    obj->autoCreated_ = true;
  }
  dragObject_ = obj;
  target_ = nullptr;
  accepted_ = false;
  startPos_ = Mouse()->CursorPos();
  threshold_ = threshold;
  started_ = false;
  savedCursor_ = ScreenCursor();
  control->SetMouseCapture(true);
  if (immediate) {
    started_ = true;
    Move(startPos_);
  }
}

void TDragManager::SetTarget(TControl* target, TPoint screen, TDragState state, bool& accepted) {
  accepted = false;
  if (!target) return;
  TPoint p = target->ScreenToClient(screen);
  dragObject_->dragTarget_ = target;
  target->DragOver(dragObject_, p.X, p.Y, state, accepted);
}

void TDragManager::Move(TPoint screen) {
  if (!dragObject_) return;
  if (!started_) {
    if (std::abs(screen.X - startPos_.X) < threshold_ && std::abs(screen.Y - startPos_.Y) < threshold_) return;
    started_ = true;
  }
  dragObject_->dragPos_ = screen;
  TControl* t = FindDragTarget(screen, false);
  if (t != target_) {
    bool dummy;
    if (target_) SetTarget(target_, screen, dsDragLeave, dummy);
    target_ = t;
    SetTarget(target_, screen, dsDragEnter, accepted_);
  } else {
    SetTarget(target_, screen, dsDragMove, accepted_);
  }
  TPoint local = target_ ? target_->ScreenToClient(screen) : screen;
  ::SetCursor(ScreenCursorHandle(dragObject_->GetDragCursor(accepted_, local.X, local.Y)));
}

void TDragManager::Finish(bool drop) {
  if (!dragObject_) return;
  TDragObject* obj = dragObject_;
  TControl* source = dragControl_;
  TControl* target = target_;
  bool accepted = drop && started_ && accepted_ && target;
  dragObject_ = nullptr;
  dragControl_ = nullptr;
  target_ = nullptr;
  if (source) source->SetMouseCapture(false);
  ::SetCursor(ScreenCursorHandle(savedCursor_));
  TPoint pos = obj->dragPos_;
  TPoint local = target ? target->ScreenToClient(pos) : pos;
  obj->dropped_ = accepted;
  obj->cancelling_ = !drop;
  if (source && source->DragKind() == dkDock) {
    // A dock drag docks the control into the site under the drop point or floats it there.
    bool docked = false;
    try {
      docked = drop && started_ && DockDropAt(source, pos);
      obj->dropped_ = docked;
      obj->Finished(docked ? HostDockSite(source) : nullptr, local.X, local.Y, docked);
    } catch (...) {
      if (obj->autoCreated_) delete obj;
      throw;
    }
    if (obj->autoCreated_) delete obj;
    return;
  }
  try {
    if (target && started_) {
      bool dummy;
      TPoint p = target->ScreenToClient(pos);
      dragObject_ = obj;
      target->DragOver(obj, p.X, p.Y, dsDragLeave, dummy);
      dragObject_ = nullptr;
      if (accepted) target->DragDrop(obj, local.X, local.Y);
    }
    if (source) obj->Finished(accepted ? target : nullptr, local.X, local.Y, accepted);
  } catch (...) {
    if (obj->autoCreated_) delete obj;
    throw;
  }
  if (obj->autoCreated_) delete obj;
}

bool TDragManager::HandleMessage(const MSG& msg) {
  if (!dragObject_) return false;
  switch (msg.message) {
    case WM_MOUSEMOVE: {
      Move(msg.pt);
      return true;
    }
    case WM_LBUTTONUP:
      Move(msg.pt);
      Finish(true);
      return true;
    case WM_RBUTTONDOWN:
      Finish(false);
      return true;
    case WM_KEYDOWN:
      if (msg.wParam == VK_ESCAPE) {
        Finish(false);
        return true;
      }
      return true;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      Finish(false);
      return false;
    default:
      return false;
  }
}

void TDragManager::ControlDestroyed(TControl* c) {
  if (target_ == c) target_ = nullptr;
  if (dragObject_ && dragObject_->dragTarget_ == c) dragObject_->dragTarget_ = nullptr;
  if (dragControl_ == c) {
    TDragObject* obj = dragObject_;
    dragObject_ = nullptr;
    dragControl_ = nullptr;
    target_ = nullptr;
    if (obj && obj->autoCreated_) delete obj;
  }
  if (g_captureControl == c) g_captureControl = nullptr;
}

// ---- hint window ---------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(THintWindow)

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  color_ = clInfoBk;
  brush_->SetColor(color_);
  font_->SetColor(clInfoText);
  parentFont_ = false;
  visible_ = false;
}

void THintWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = WS_POPUP | WS_BORDER;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  p.WndParent = nullptr;
  p.WinClassName = "THintWindow";
}

TRect THintWindow::CalcHintRect(Integer maxWidth, const String& hint) {
  TRect r(0, 0, maxWidth, 0);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font_->Handle());
  ::DrawText(dc, hint.c_str(), int(hint.size()), &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  r.Right += 6;
  r.Bottom += 2;
  return r;
}

void THintWindow::ActivateHint(TRect rect, const String& hint) {
  SetText(hint);
  // Keep the hint on the screen.
  Integer sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  if (rect.Right > sw) { rect.Left -= rect.Right - sw; rect.Right = sw; }
  if (rect.Left < 0) { rect.Right -= rect.Left; rect.Left = 0; }
  if (rect.Bottom > sh) { rect.Top -= rect.Bottom - sh; rect.Bottom = sh; }
  if (rect.Top < 0) { rect.Bottom -= rect.Top; rect.Top = 0; }
  SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
  HWND h = Handle();
  SetWindowPos(h, HWND_TOPMOST, rect.Left, rect.Top, rect.Width(), rect.Height(),
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  shown_ = true;
  visible_ = true;
  Invalidate();
  UpdateWindow(h);
}

void THintWindow::ReleaseHandle() {
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  shown_ = false;
  visible_ = false;
}

void THintWindow::WMNCHitTest(TMessage& m) { m.Result = HTTRANSPARENT; }

void THintWindow::Paint() {
  TRect r = ClientRect();
  canvas_->Brush()->SetColor(color_);
  canvas_->FillRect(r);
  canvas_->Font()->Assign(font_.get());
  canvas_->Brush()->SetStyle(bsClear);
  r.Left += 2;
  r.Top += 1;
  String t = text_;
  canvas_->TextRect(r, t, {tfLeft, tfWordBreak, tfNoPrefix});
}

String GetShortHint(const String& hint) {
  size_t bar = hint.find('|');
  return bar == String::npos ? hint : hint.substr(0, bar);
}

String GetLongHint(const String& hint) {
  size_t bar = hint.find('|');
  return bar == String::npos ? hint : hint.substr(bar + 1);
}

// ---- shortcuts -----------------------------------------------------------------------------

TShortCut ShortCut(Word key, TShiftState shift) {
  if (key & 0xFF00) return 0;
  TShortCut s = key;
  if (shift.Contains(ssShift)) s |= scShift;
  if (shift.Contains(ssCtrl)) s |= scCtrl;
  if (shift.Contains(ssAlt)) s |= scAlt;
  return s;
}

void ShortCutToKey(TShortCut sc, Word& key, TShiftState& shift) {
  key = sc & 0xFF;
  shift.Clear();
  if (sc & scShift) shift += ssShift;
  if (sc & scCtrl) shift += ssCtrl;
  if (sc & scAlt) shift += ssAlt;
}

namespace {
struct KeyName {
  Word Key;
  const char* Name;
};
const KeyName kKeyNames[] = {
    {VK_BACK, "BkSp"}, {VK_TAB, "Tab"}, {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"}, {VK_HOME, "Home"}, {VK_LEFT, "Left"},
    {VK_UP, "Up"}, {VK_RIGHT, "Right"}, {VK_DOWN, "Down"}, {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
};
String KeyToText(Word key) {
  for (const KeyName& k : kKeyNames)
    if (k.Key == key) return k.Name;
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return String(1, char(key));
  if (key >= VK_F1 && key <= VK_F24) return "F" + IntToStr(key - VK_F1 + 1);
  return {};
}
}  // namespace

String ShortCutToText(TShortCut sc) {
  String name = KeyToText(sc & 0xFF);
  if (name.empty()) return {};
  String r;
  if (sc & scShift) r += "Shift+";
  if (sc & scCtrl) r += "Ctrl+";
  if (sc & scAlt) r += "Alt+";
  return r + name;
}

TShortCut TextToShortCut(const String& text) {
  auto StartsText = [](const char* prefix, const String& s) {
    size_t n = std::strlen(prefix);
    return s.size() >= n && SameText(s.substr(0, n), prefix);
  };
  TShortCut shift = 0;
  String rest = text;
  for (;;) {
    if (StartsText("Shift+", rest)) { shift |= scShift; rest = rest.substr(6); }
    else if (StartsText("Ctrl+", rest)) { shift |= scCtrl; rest = rest.substr(5); }
    else if (StartsText("Alt+", rest)) { shift |= scAlt; rest = rest.substr(4); }
    else break;
  }
  if (rest.empty()) return 0;
  for (Word k = 8; k < 255; ++k)
    if (SameText(KeyToText(k), rest)) return TShortCut(k | shift);
  return 0;
}

void InitializeControls() {
  InitUnit("Controls", [] {
    InitializeGraphics();
    RegisterClass(TSizeConstraints::StaticClass());
  });
}
