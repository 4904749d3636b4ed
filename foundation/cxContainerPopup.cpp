// The custom popup window and the thread hooks that close shown popups.
#include <algorithm>
#include <functional>
#include <map>

#include "foundation/cxContainer.h"
#include "rtl/ScopeExit.h"
#include "vcl/ControlMessages.h"

namespace {
std::vector<TcxCustomPopupWindow*> gShownPopups;
HHOOK gCallWndHook = nullptr, gGetMessageHook = nullptr, gMouseHook = nullptr;
bool gPopupClosingByMouse = false;

bool IsShown(const TcxCustomPopupWindow* p) {
  return std::find(gShownPopups.begin(), gShownPopups.end(), p) != gShownPopups.end();
}

void RemoveShown(const TcxCustomPopupWindow* p) {
  auto it = std::find(gShownPopups.begin(), gShownPopups.end(), p);
  if (it != gShownPopups.end()) gShownPopups.erase(it);
}

bool Destroying(TComponent* c) { return !c || c->ComponentState().Contains(csDestroying); }
}  // namespace

const std::vector<TcxCustomPopupWindow*>& ShownPopups() { return gShownPopups; }

bool IsVisiblePopup(TControl* control) {
  return std::find(gShownPopups.begin(), gShownPopups.end(), control) != gShownPopups.end();
}

void PostPopupCloseRequest(TWinControl* control) {
  if (control && control->HandleAllocated()) PostMessage(control->Handle(), DXM_CLOSEPOPUPWINDOW, 0, 0);
}

// ---- window containment ----------------------------------------------------------------------

namespace {
bool IsWindowInControlTree(TWinControl* control, HWND wnd, int depth = 0) {
  if (depth > 32) return false;
  for (Integer i = 0; i < control->ControlCount(); ++i) {
    auto* c = dynamic_cast<TWinControl*>(control->Controls(i));
    if (!c || !c->HandleAllocated()) continue;
    if (c->Handle() == wnd || IsWindowInControlTree(c, wnd, depth + 1) || IsChild(c->Handle(), wnd)) return true;
  }
  // Popups opened from controls of this popup, and popups this control owns, count as
  // parts of it.
  if (auto* self = dynamic_cast<TcxCustomPopupWindow*>(control)) {
    for (TcxCustomPopupWindow* p : gShownPopups)
      if (p != self && GetParentForm(p->OwnerControl()) == self && IsWindowOfControl(p, wnd, true)) return true;
  }
  for (TcxCustomPopupWindow* p : gShownPopups)
    if (p != control && p->OwnerControl() == control && IsWindowOfControl(p, wnd, true)) return true;
  return false;
}

bool IsClickInOwnerForm(TControl* control, HWND wnd) {
  if (!control) return false;
  TCustomForm* f = GetParentForm(control);
  if (!f || !f->HandleAllocated()) return false;
  return wnd == f->Handle() || IsChild(f->Handle(), wnd);
}
}  // namespace

bool IsWindowInsideControl(TWinControl* control, HWND wnd) {
  if (!control || !wnd || !control->HandleAllocated() || wnd == control->Handle()) return false;
  return IsChild(control->Handle(), wnd) || IsWindowInControlTree(control, wnd);
}

bool IsWindowOfControl(TWinControl* control, HWND wnd, bool deep) {
  if (!control || !wnd || !control->HandleAllocated()) return false;
  return wnd == control->Handle() || (deep && IsWindowInsideControl(control, wnd));
}

HWND PopupOwnerWindowOf(HWND wnd) {
  for (HWND w = wnd; w; w = GetParent(w))
    if (auto* p = dynamic_cast<TcxCustomPopupWindow*>(FindControl(w))) {
      if (p->OwnerControl() && p->OwnerControl()->HandleAllocated()) return p->OwnerControl()->Handle();
      break;
    }
  return wnd;
}

TcxWindowOwnerResolver WindowOwnerResolver = nullptr;

namespace {
// The nearest MDI child form among the window's parents, else its top ancestor.
HWND MdiChildOrRootOf(HWND wnd) {
  HWND root = wnd;
  for (HWND w = wnd; w; w = GetParent(w)) {
    if (auto* f = dynamic_cast<TCustomForm*>(FindControl(w)); f && f->FormStyle() == fsMDIChild) return w;
    root = w;
  }
  return root;
}
}  // namespace

bool ControlUnderCursorInActiveForm(TWinControl* control) {
  if (!Application->Active() || !control || !control->HandleAllocated() || !IsWindowVisible(control->Handle()))
    return false;
  TPoint p;
  ReadCursorPos(p);
  if (FindVCLWindow(p) != control) return false;
  HWND w = MdiChildOrRootOf(control->Handle());
  auto* form = dynamic_cast<TCustomForm*>(FindControl(w));
  if (!form || form->Active() || form->FormStyle() == fsMDIForm) return true;
  if (gShownPopups.empty()) return false;
  TWinControl* owner = gShownPopups.front()->OwnerControl();
  return owner && owner->HandleAllocated() && IsChild(w, owner->Handle());
}

// ---- popup window ----------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomPopupWindow)

TcxCustomPopupWindow::TcxCustomPopupWindow(TWinControl* ownerControl) : TcxPopupWindow(nullptr) {
  InitializeCxContainer();
  SetFormStyle(fsNormal);
  SetVisible(false);
  ownerControl_ = ownerControl;
  SetKeyPreview(true);
}

TcxContainerStyle* TcxCustomPopupWindow::Style() const {
  if (!style_) {
    auto* self = const_cast<TcxCustomPopupWindow*>(this);
    style_.reset(self->StyleClass()(self, false, nullptr, cssNormal));
    style_->OnChanged = [self](TObject*) { self->StyleChanged(); };
  }
  return style_.get();
}

TcxContainerViewInfo* TcxCustomPopupWindow::ViewInfo() const {
  if (!viewInfo_) viewInfo_.reset(TcxContainerViewInfo::CreateOfClass(const_cast<TcxCustomPopupWindow*>(this)->ViewInfoClass()));
  return viewInfo_.get();
}

TcxCustomPopupWindow::~TcxCustomPopupWindow() {
  RemoveShown(this);
  viewInfo_.reset();
  if (style_) style_->OnChanged = nullptr;
  style_.reset();
}

void TcxCustomPopupWindow::CreateParams(TCreateParams& params) {
  TcxPopupWindow::CreateParams(params);
  TCustomForm* form = ownerControl_ ? GetParentForm(ownerControl_) : nullptr;
  if (takesFocus_) {
    if (form) params.WndParent = form->Handle();
    params.Style = (params.Style & ~DWORD(WS_CHILD)) | WS_POPUP;
    if (topmostWithOwner_ && (!form || (GetWindowLong(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST)))
      params.ExStyle |= WS_EX_TOPMOST;
  } else {
    // A window that never activates: the keyboard stays with the active window.
    params.Style = (params.Style & ~DWORD(WS_CHILD | WS_CAPTION | WS_THICKFRAME)) | WS_POPUP;
    params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    if (!params.WndParent) params.WndParent = form ? form->Handle() : SharedMessageWindow()->Handle();
  }
  params.Style |= WS_CLIPCHILDREN;
}

void TcxCustomPopupWindow::CreateWnd() {
  // The companions are made before the window exists, so that nothing is created while the
  // popup is being shown and activated.
  Style();
  ViewInfo();
  bool listed = IsShown(this);
  if (!listed) gShownPopups.push_back(this);
  TScopeExit unlist([this, listed] {
    if (!listed) RemoveShown(this);
  });
  TcxPopupWindow::CreateWnd();
}

void TcxCustomPopupWindow::ComputeViewInfo() {
  TcxContainerViewInfo* v = ViewInfo();
  v->OuterRect = TRect(0, 0, Width(), Height());
  Integer lw = FrameLineWidth(0);
  v->InteriorRect = GrowRect(v->OuterRect, -lw, -lw);
  v->ClientArea = TRect(FrameExtent(0), FrameExtent(1), Width() - FrameExtent(2), Height() - FrameExtent(3));
  v->FrameStyle = lw == 0 ? cbsNone : cbsSingle;
  v->FrameThickness = lw;
  v->FrameSides = cxBordersAll;
  v->FrameColor = FrameLineColor();
  v->SetFillColor(Style()->Color());
}

void TcxCustomPopupWindow::AdjustClientRect(TRect& rect) {
  ComputeViewInfo();
  rect = ViewInfo()->ClientArea;
}

void TcxCustomPopupWindow::Paint() {
  ComputeViewInfo();
  ViewInfo()->PaintTo(FormCanvas());
}

TRect TcxCustomPopupWindow::GetAnchorScreenBounds() {
  TRect r = AnchorBounds();
  if (ownerControl_ && ownerControl_->HandleAllocated() && HasChildWindowStyle(ownerControl_->Handle()) &&
      AnchorParent())
    r = TRect(AnchorParent()->ClientToScreen(r.TopLeft()), AnchorParent()->ClientToScreen(r.BottomRight()));
  return r;
}

void TcxCustomPopupWindow::SizeToContent() {
  // The base moves the children inside the frame; a popup shown again would move them once
  // more, so they go back first.
  if (childrenShifted_) MoveChildrenBack();
  TcxPopupWindow::SizeToContent();
  childrenShifted_ = SizeToChildren() && ControlCount() > 0;
}

void TcxCustomPopupWindow::FitToWorkArea(TPoint& p) {
  if (!ShrinksToWorkArea()) return;
  Integer w = Width(), h = Height();
  TRect r;
  MonitorWorkAreaAt(p, r);
  if (p.X < r.Left) {
    w -= r.Left - p.X;
    p.X = r.Left;
  }
  if (p.Y < r.Top) {
    h -= r.Top - p.Y;
    p.Y = r.Top;
  }
  if (r.Bottom - p.Y < h) h = r.Bottom - p.Y;
  SetWidth(std::min(r.Right - p.X, w));
  SetHeight(h);
  if (Height() != h && p.Y == r.Top) p.Y += h - Height();
}

bool TcxCustomPopupWindow::OwnerIsShowing() {
  return ownerControl_ && ownerControl_->HandleAllocated() && IsWindowVisible(ownerControl_->Handle());
}

void TcxCustomPopupWindow::ShowPopup(TWinControl* focusControl) {
  if (IsShown(this) || !OwnerIsShowing()) return;
  TWeakRef<TcxCustomPopupWindow> self(this);
  Style();
  ViewInfo();
  InitFont();
  SizeToContent();
  TPoint p = CalculatePlacement();
  FitToWorkArea(p);
  gShownPopups.push_back(this);
  FireShowing();
  if (!self) return;
  SetBounds(p.X, p.Y, Width(), Height());
  Show();
  if (!self) return;
  if (takesFocus_) {
    TWinControl* target = this;
    if (focusControl) {
      if (focusControl->CanFocus() && focusControl->TabStop()) target = focusControl;
      else if (TWinControl* first = FindNextControl(nullptr, true, true, false)) target = first;
    }
    focusTarget_ = target;
    if (target != this) {
      target->SetFocus();
    } else if (HandleAllocated()) {
      SetActiveWindow(Handle());
      ::SetFocus(Handle());
    }
  } else {
    // A non-activating popup hands the keyboard to the control it was given, if any.
    focusTarget_ = focusControl;
    if (focusControl && focusControl->CanFocus()) focusControl->SetFocus();
  }
  if (!self) return;
  TCustomForm* form = ownerControl_ ? GetParentForm(ownerControl_) : nullptr;
  bool topmost = !takesFocus_ || !form || (GetWindowLong(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(Handle(), topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
               SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  SetModalResult(mrNone);
  FireShowed();
  if (!self || !takesFocus_ || !runsModalLoop_) return;
  while (self && Visible() && !Application->Terminated()) {
    MSG msg;
    if (PeekMessage(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE) &&
        (msg.wParam == VK_RETURN || msg.wParam == VK_MENU || msg.wParam == VK_SPACE))
      PeekMessage(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
    if (ModalResult() != mrNone) {
      if (CloseQuery()) FinishModal();
      else SetModalResult(mrNone);
    }
    if (!self || !Visible()) break;
    Application->HandleMessage();
  }
}

void TcxCustomPopupWindow::CMShowingChanged(TMessage& m) {
  if (takesFocus_ || !Showing() || !HandleAllocated()) {
    TcxPopupWindow::CMShowingChanged(m);
    return;
  }
  // A popup that does not take the focus appears without activation or focus change.
  DoShow();
  ShowWindow(Handle(), SW_SHOWNOACTIVATE);
}

void TcxCustomPopupWindow::ClosePopup() {
  if (!IsShown(this)) return;
  TWeakRef<TcxCustomPopupWindow> self(this);
  RemoveShown(this);
  FireClosing();
  if (!self) return;
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  Hide();
  if (!self) return;
  FireClosed();
  if (!self || !HandleAllocated()) return;
  HWND cap = GetCapture();
  if (cap && (cap == Handle() || IsChild(Handle(), cap))) ReleaseCapture();
}

void TcxCustomPopupWindow::VisibilityChanged() {
  TcxPopupWindow::VisibilityChanged();
  if (!takesFocus_ || !ownerControl_ || !ownerControl_->HandleAllocated() || Visible()) return;
  TCustomForm* form = GetParentForm(ownerControl_);
  if (!form || !form->HandleAllocated() || form->ComponentState().Contains(csDesigning)) return;
  // The focus returns to the owner unless it already went elsewhere inside its form.
  HWND f = GetFocus();
  bool elsewhere = f && f != form->Handle() && IsChild(form->Handle(), f);
  if (!elsewhere && ownerControl_->CanFocus()) ownerControl_->SetFocus();
}

void TcxCustomPopupWindow::Deactivate() {
  TForm::Deactivate();
  if (closingByHook_) return;
  TWeakRef<TcxCustomPopupWindow> self(this);
  // The activation went to a shown popup (one opened from this popup): the popups below it
  // stay open, this one included.
  if (!gShownPopups.empty()) {
    HWND active = GetActiveWindow();
    for (Integer i = Integer(gShownPopups.size()) - 1; i >= 0; --i) {
      if (i >= Integer(gShownPopups.size())) continue;
      TcxCustomPopupWindow* p = gShownPopups[size_t(i)];
      if (p->HandleAllocated() && active == p->Handle()) return;
      if (p->HandleAllocated() && IsWindowEnabled(p->Handle())) p->ClosePopup();
    }
  }
  if (self && !gShownPopups.empty()) ClosePopup();
}

void TcxCustomPopupWindow::KeyDown(Word& key, TShiftState shift) {
  // Esc only ends a mouse capture here; otherwise the form handles it (drop-down editors close
  // themselves on Esc through their own key handling).
  if (IsShown(this) && key == VK_ESCAPE && HoldsCapture()) {
    ReleaseCapture();
    key = 0;
    return;
  }
  TcxPopupWindow::KeyDown(key, shift);
}

bool TcxCustomPopupWindow::AcceptsSysKey(Word key) { return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_F4; }

bool TcxCustomPopupWindow::HoldsCapture() { return HandleAllocated() && GetCapture() == Handle(); }

bool TcxCustomPopupWindow::HasFocusInPopup() {
  if (!IsShown(this) || !takesFocus_ || !HandleAllocated()) return false;
  HWND f = GetFocus();
  return f && (f == Handle() || IsWindowInsideControl(this, f));
}

void TcxCustomPopupWindow::RecreateIfHandled() {
  if (HandleAllocated()) RecreateWnd();
}

void TcxCustomPopupWindow::Reshow() {
  if (!IsShown(this)) return;
  ClosePopup();
  ShowPopup(focusTarget_);
}

void TcxCustomPopupWindow::SetTakesFocus(bool v) {
  if (v == takesFocus_) return;
  takesFocus_ = v;
  RecreateIfHandled();
  Reshow();
}

void TcxCustomPopupWindow::SetTopmostWithOwner(bool v) {
  if (v == topmostWithOwner_) return;
  topmostWithOwner_ = v;
  RecreateIfHandled();
  Reshow();
}

void TcxCustomPopupWindow::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ACTIVATEAPP:
      // The hooks close popups when the application loses activation.
      TForm::WndProc(m);
      return;
    case WM_ERASEBKGND:
      if (!ErasesBackground()) {
        m.Result = 1;
        return;
      }
      break;
    case DXM_CLOSEPOPUPWINDOW: {
      TWeakRef<TcxCustomPopupWindow> self(this);
      closingByHook_ = true;
      {
        TScopeExit clear([&self] {
          if (self) self->closingByHook_ = false;
        });
        ClosePopup();
      }
      if (self && ownerControl_ && ownerControl_->HandleAllocated() && ownerControl_->CanFocus())
        ownerControl_->SetFocus();
      return;
    }
    case DXM_SHOWPOPUPWINDOW:
      ShowPopup(focusTarget_);
      return;
    default: break;
  }
  TcxPopupWindow::WndProc(m);
}

// ---- hooks -----------------------------------------------------------------------------------

namespace {
std::map<HWND, WNDPROC> gSwallowing;

LRESULT SwallowOneMessage(HWND wnd, UINT, WPARAM, LPARAM) {
  auto it = gSwallowing.find(wnd);
  if (it != gSwallowing.end()) {
    SetWindowLongPtr(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second));
    gSwallowing.erase(it);
  }
  return 1;
}

// The next message the window receives is answered 1 without processing.
void SwallowNextMessage(HWND wnd) {
  if (gSwallowing.count(wnd)) return;
  auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtr(wnd, GWLP_WNDPROC));
  if (!old) return;
  gSwallowing[wnd] = old;
  SetWindowLongPtr(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SwallowOneMessage));
}


void HandleCallWndProc(const CWPSTRUCT& c) {
  HWND target = c.hwnd;
  switch (c.message) {
    case WM_DESTROY:
      for (TcxCustomPopupWindow* p : gShownPopups)
        if (!Destroying(p) && p->HandleAllocated() && p->Handle() == target) {
          p->Close();
          break;
        }
      break;
    case WM_CLOSE:
      for (TcxCustomPopupWindow* p : std::vector<TcxCustomPopupWindow*>(gShownPopups)) {
        if (Destroying(p) || !IsShown(p)) continue;
        if (p->HandleAllocated() && p->Handle() == target) {
          TWeakRef<TcxCustomPopupWindow> self(p);
          TWinControl* owner = p->OwnerControl();
          if (p->CloseQuery()) p->ClosePopup();
          if (self && !IsShown(p) && p->TakesFocus() && owner && !Destroying(owner) && owner->HandleAllocated())
            if (HWND top = TopLevelWindowOf(owner->Handle())) PostMessage(top, WM_CLOSE, 0, 0);
          break;
        }
        if (!p->TakesFocus() && !Destroying(p->OwnerControl())) {
          TCustomForm* f = GetParentForm(p->OwnerControl());
          if (!f || !f->HandleAllocated() || f->Handle() == target) p->ClosePopup();
          break;
        }
      }
      break;
    case WM_SHOWWINDOW:
      if (c.wParam != 0) break;
      for (Integer i = Integer(gShownPopups.size()) - 1; i >= 0; --i) {
        TcxCustomPopupWindow* p = gShownPopups[size_t(i)];
        TWinControl* owner = p->OwnerControl();
        if (Destroying(p) || Destroying(owner) || !owner->HandleAllocated()) continue;
        if (owner->Handle() != target) continue;
        for (Integer j = Integer(gShownPopups.size()) - 1; j >= i; --j)
          if (j < Integer(gShownPopups.size())) gShownPopups[size_t(j)]->ClosePopup();
        break;
      }
      break;
    case WM_WINDOWPOSCHANGED:
      for (size_t i = 0; i < gShownPopups.size();) {
        TcxCustomPopupWindow* p = gShownPopups[i];
        TWinControl* owner = p->OwnerControl();
        if (!Destroying(p) && p->HandleAllocated() && !Destroying(owner) && owner->HandleAllocated() &&
            owner->Handle() == target && !IsWindowShown(owner)) {
          p->ClosePopup();
          i = 0;
          continue;
        }
        ++i;
      }
      break;
    case WM_ACTIVATEAPP:
      if (c.wParam != 0) break;
      for (size_t i = 0; i < gShownPopups.size();) {
        TcxCustomPopupWindow* p = gShownPopups[i];
        TWinControl* owner = p->OwnerControl();
        if (TCustomForm* f = owner ? GetParentForm(owner) : nullptr)
          if (f->HandleAllocated()) PostMessage(f->Handle(), WM_NCACTIVATE, FALSE, 0);
        bool activeFocusPopup = p->TakesFocus() && p->HandleAllocated() && GetActiveWindow() == p->Handle();
        if (!activeFocusPopup && p->HandleAllocated() && IsWindowEnabled(p->Handle())) {
          TWeakRef<TWinControl> o(owner);
          p->ClosePopup();
          if (auto* c2 = dynamic_cast<TcxContainer*>(o.Get())) c2->NotifyFocusChanged();
          i = 0;
          continue;
        }
        ++i;
      }
      break;
    case WM_NCACTIVATE:
      if (c.wParam != 0) break;
      if (gPopupClosingByMouse) {
        SwallowNextMessage(target);
        break;
      }
      for (TcxCustomPopupWindow* p : gShownPopups) {
        if (Destroying(p) || !p->OwnerControl()) continue;
        TCustomForm* f = GetParentForm(p->OwnerControl());
        if (f && f->HandleAllocated() && f->Handle() == target) {
          SwallowNextMessage(target);
          break;
        }
      }
      break;
    default: break;
  }
}

LRESULT PopupCallWndProcHook(int code, WPARAM wParam, LPARAM lParam) {
  if (!gShownPopups.empty() && code == 0 && lParam) HandleCallWndProc(*reinterpret_cast<CWPSTRUCT*>(lParam));
  return CallNextHookEx(gCallWndHook, code, wParam, lParam);
}

LRESULT PopupGetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  if (!gShownPopups.empty() && code == 0 && wParam == PM_REMOVE && lParam) {
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (msg->message == WM_SYSKEYDOWN) {
      TcxCustomPopupWindow* t = gShownPopups.back();
      if (!(t->TakesFocus() && t->RunsModalLoop()) && !t->AcceptsSysKey(Word(msg->wParam))) msg->message = WM_NULL;
    }
  }
  return CallNextHookEx(gGetMessageHook, code, wParam, lParam);
}

bool PopupsCheckMouseClick(HWND wnd, UINT msg, const POINT& pt) {
  bool result = true;
  for (size_t i = 0; i < gShownPopups.size();) {
    TcxCustomPopupWindow* q = gShownPopups[i];
    if (q->TakesFocus() && !q->Active()) {
      ++i;
      continue;
    }
    if (IsWindowOfControl(q, wnd, true)) {
      ++i;
      continue;
    }
    TWinControl* owner = q->OwnerControl();
    TCustomForm* f = owner ? GetParentForm(owner) : nullptr;
    auto* fp = dynamic_cast<TcxCustomPopupWindow*>(f);
    if (IsClickInOwnerForm(owner, wnd) || (fp && !IsWindowShown(fp))) {
      bool ownerArea = false;
      if (owner && IsWindowOfControl(owner, wnd, true) && (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK)) {
        TRect a = q->GetAnchorScreenBounds();
        if (a.Contains(TPoint(pt.X, pt.Y))) {
          ownerArea = true;
          if (q->OwnerHandlesClick(msg, CurrentShiftState(), pt.X, pt.Y)) q->SetClosedByOwnerClick(true);
        }
      }
      TWeakRef<TcxCustomPopupWindow> qs(q);
      TWeakRef<TWinControl> os(owner);
      gPopupClosingByMouse = true;
      q->SetClosingByHook(true);
      {
        TScopeExit clear([qs] {
          gPopupClosingByMouse = false;
          if (qs) qs->SetClosingByHook(false);
        });
        q->ClosePopup();
      }
      if (ownerArea && (!os || Destroying(os.Get()) || !os->Visible())) result = false;
      i = 0;
      continue;
    }
    ++i;
  }
  return result;
}

LRESULT PopupMouseHook(int code, WPARAM wParam, LPARAM lParam) {
  if (!gShownPopups.empty() && code == 0 && lParam) {
    switch (wParam) {
      case WM_NCLBUTTONDOWN:
      case WM_NCLBUTTONDBLCLK:
      case WM_NCRBUTTONDOWN:
      case WM_NCRBUTTONUP:
      case WM_NCRBUTTONDBLCLK:
      case WM_NCMBUTTONDOWN:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP:
      case WM_RBUTTONDBLCLK:
      case WM_MBUTTONDOWN: {
        auto* mh = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam);
        if (!PopupsCheckMouseClick(mh->hwnd, UINT(wParam), mh->pt)) return 1;
        break;
      }
      default: break;
    }
  }
  return CallNextHookEx(gMouseHook, code, wParam, lParam);
}
}  // namespace

namespace cxcontainer_internal {
void InstallPopupHooks() {
  WindowOwnerResolver = &PopupOwnerWindowOf;
  DWORD thread = GetCurrentThreadId();
  gCallWndHook = SetWindowsHookEx(WH_CALLWNDPROC, &PopupCallWndProcHook, nullptr, thread);
  gGetMessageHook = SetWindowsHookEx(WH_GETMESSAGE, &PopupGetMessageHook, nullptr, thread);
  gMouseHook = SetWindowsHookEx(WH_MOUSE, &PopupMouseHook, nullptr, thread);
}

void RemovePopupHooks() {
  WindowOwnerResolver = nullptr;
  for (HHOOK* h : {&gMouseHook, &gGetMessageHook, &gCallWndHook})
    if (*h) {
      UnhookWindowsHookEx(*h);
      *h = nullptr;
    }
  gShownPopups.clear();
}
}  // namespace cxcontainer_internal
