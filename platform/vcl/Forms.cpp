#include "vcl/Forms.h"

#include <algorithm>

#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "vcl/Consts.h"
#include "vcl/FormReader.h"
#include "vcl/ComCtrls.h"
#include "vcl/Dialogs.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"
#include "vcl/Resources.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

// ---- services for controls -----------------------------------------------------------------

void HandleControlException(TObject* sender) {
  if (Application) {
    Application->HandleException(sender);
    return;
  }
  throw;
}

void ApplicationControlDestroyed(TControl* control) {
  if (Application) Application->ControlDestroyed(control);
  if (Screen) Screen->ControlDestroyed(control);
}

namespace {
// Forms on the screen and the application's data modules, found by name.
TComponent* FindFormOrDataModule(const String& name) {
  if (name.empty()) return nullptr;
  if (Screen)
    for (Integer i = 0; i < Screen->FormCount(); ++i)
      if (SameText(Screen->Forms(i)->Name(), name)) return Screen->Forms(i);
  if (Application)
    for (Integer i = 0; i < Application->ComponentCount(); ++i)
      if (auto* d = dynamic_cast<TDataModule*>(Application->Components(i)); d && SameText(d->Name(), name)) return d;
  return nullptr;
}
struct FindGlobalRegistration {
  FindGlobalRegistration() { RegisterFindGlobalComponentProc(&FindFormOrDataModule); }
} findGlobalRegistration;

// Whether c is inside (or is) the control `within`, by the parent chain of c. Reads only c
// and its parents, so `within` may already be half destroyed.
bool IsWithin(TControl* c, const TControl* within) {
  while (c && c != within) c = c->Parent();
  return c && c == within;
}
}  // namespace

HCURSOR ScreenCursorHandle(TCursor cursor) {
  if (Screen) return Screen->Cursors(cursor);
  return LoadCursor(nullptr, IDC_ARROW);
}

TCursor ScreenCursor() { return Screen ? Screen->Cursor() : crDefault; }

// ---- form resources ------------------------------------------------------------------------

void RegisterFormResource(const String& name, const String& text) {
  RegisterResource(name, RT_RCDATA_NAME, text.data(), text.size());
}

bool FindFormResource(const String& name, String& text) { return FindResourceData(name, RT_RCDATA_NAME, text); }

// ---- published names -----------------------------------------------------------------------

bool TPublishedNames::SetField(const String& name, TComponent* c) {
  for (auto& [n, set] : fields_) {
    if (SameText(n, name)) {
      set(c);
      return true;
    }
  }
  return false;
}

std::any TPublishedNames::MethodAddress(const String& name) const {
  for (auto& [n, m] : methods_)
    if (SameText(n, name)) return m;
  return {};
}

// ---- scrolling container -------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TScrollingWinControl) {
  p.Bool("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll);
}

TScrollingWinControl::TScrollingWinControl(TComponent* owner) : TWinControl(owner) {}

// ---- forms ---------------------------------------------------------------------------------

namespace {
PTypeInfo BorderStyleType() {
  return EnumTypeInfo("TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
}
PTypeInfo PositionType() {
  return EnumTypeInfo("TPosition", {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                                    "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"});
}
PTypeInfo FormStyleType() { return EnumTypeInfo("TFormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"}); }
PTypeInfo WindowStateType() { return EnumTypeInfo("TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"}); }
PTypeInfo BorderIconsType() {
  static PTypeInfo t =
      SetTypeInfo("TBorderIcons", EnumTypeInfo("TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}));
  return t;
}
PTypeInfo DefaultMonitorType() {
  return EnumTypeInfo("TDefaultMonitor", {"dmDesktop", "dmPrimary", "dmMainForm", "dmActiveForm"});
}
}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TCustomForm) {
  p.Object("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl, TWinControl::StaticClass());
  p.Enum("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle, BorderStyleType()).Default(bsSizeable);
  p.Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons, BorderIconsType()).Default(7);
  p.Int("ClientHeight", &TCustomForm::ClientHeightProp, &TCustomForm::SetClientHeightProp);
  p.Int("ClientWidth", &TCustomForm::ClientWidthProp, &TCustomForm::SetClientWidthProp);
  p.Enum("DefaultMonitor", &TCustomForm::DefaultMonitor, &TCustomForm::SetDefaultMonitor, DefaultMonitorType()).Default(dmActiveForm);
  p.Enum("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle, FormStyleType()).Default(fsNormal);
  p.Object("Icon", &TCustomForm::Icon, &TCustomForm::SetIcon, TIcon::StaticClass());
  p.Bool("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview);
  p.Bool("OldCreateOrder", &TCustomForm::OldCreateOrder, &TCustomForm::SetOldCreateOrder);
  p.Int("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch);
  p.Enum("Position", &TCustomForm::Position, &TCustomForm::SetPosition, PositionType()).Default(poDefaultPosOnly);
  p.Bool("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled).Default(true);
  p.Int("TextHeight", &TCustomForm::TextHeight, &TCustomForm::SetTextHeight);
  p.Enum("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState, WindowStateType()).Default(wsNormal);
  p.Bool("Visible", &TCustomForm::Visible, &TCustomForm::SetVisible).Default(false);
  p.Event("OnCreate", &TCustomForm::OnCreate);
  p.Event("OnDestroy", &TCustomForm::OnDestroy);
  p.Event("OnShow", &TCustomForm::OnShow);
  p.Event("OnHide", &TCustomForm::OnHide);
  p.Event("OnActivate", &TCustomForm::OnActivate);
  p.Event("OnDeactivate", &TCustomForm::OnDeactivate);
  p.Event("OnPaint", &TCustomForm::OnPaint);
  p.Event("OnClose", &TCustomForm::OnClose, "TCloseEvent");
  p.Event("OnCloseQuery", &TCustomForm::OnCloseQuery, "TCloseQueryEvent");
}

TCustomForm::TCustomForm(TComponent* owner) : TScrollingWinControl(owner), canvas_(new TControlCanvas), icon_(new TIcon) {
  InitializeForms();
  static_cast<TControlCanvas*>(canvas_.get())->SetControl(this);
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  visible_ = false;
  left_ = 0;
  top_ = 0;
  width_ = 320;
  height_ = 240;
  color_ = clBtnFace;
  brush_->SetColor(color_);
  parentFont_ = false;
  font_->SetName("MS Sans Serif");
  Screen->AddForm(this);
  Application->CreateHandle();
}

TCustomForm::~TCustomForm() {
  if (Screen) Screen->RemoveForm(this);
  DestroyHandle();
  // Destroying the children's windows may have focused one of them again (a popup closing
  // gives the focus back to its owner): the screen must not keep this form.
  if (Screen) Screen->RemoveForm(this);
  canvas_.reset();
}

void TCustomForm::BeforeDestruction() {
  if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
  if (!formState_.Contains(fsCreating)) DoDestroy();
  if (Screen) Screen->RemoveForm(this);
  TScrollingWinControl::BeforeDestruction();
}

void TCustomForm::InitializeForm() {
  formState_ += fsCreating;
  try {
    String text;
    if (FindFormResource(ClassName(), text)) ReadFormText(text);
  } catch (...) {
    formState_ -= fsCreating;
    throw;
  }
  formState_ -= fsCreating;
  DoCreate();
  if (formState_.Contains(fsVisible)) {
    formState_ -= fsVisible;
    Show();
  }
}

void TCustomForm::ReadFormText(const String& text) { ReadComponentFromText(this, text); }

void TCustomForm::Loaded() {
  TScrollingWinControl::Loaded();
  if (activeControl_ && !activeControl_->CanFocus()) activeControl_ = nullptr;
}

void TCustomForm::Notification(TComponent* c, TOperation op) {
  TScrollingWinControl::Notification(c, op);
  if (op == opRemove) {
    if (c == activeControl_) activeControl_ = nullptr;
    if (c == focusedControl_) focusedControl_ = nullptr;
    if (c == popupParent_) popupParent_ = nullptr;
  }
}

void TCustomForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}
void TCustomForm::DoDestroy() {
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      HandleControlException(this);
    }
  }
}
void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TCustomForm::DoClose(TCloseAction& a) {
  if (OnClose) OnClose(this, a);
}
void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}
void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
  if (v == borderStyle_) return;
  TRect cr = ClientRect();
  borderStyle_ = v;
  if (!IsLoading()) SetClientSize({cr.Width(), cr.Height()});
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle v) {
  if (v == formStyle_) return;
  formStyle_ = v;
  if (HandleAllocated()) SetWindowPos(Handle(), v == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                                      SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState v) {
  if (v == windowState_) return;
  windowState_ = v;
  if (HandleAllocated() && Showing())
    ShowWindow(Handle(), v == wsMaximized ? SW_SHOWMAXIMIZED : v == wsMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
}

void TCustomForm::CreateParams(TCreateParams& p) {
  TScrollingWinControl::CreateParams(p);
  p.Style &= ~(WS_CHILD | WS_CLIPSIBLINGS);
  p.Style |= WS_CLIPCHILDREN;
  // The owner window: the popup parent when given, else the main form (secondary forms stay
  // above it and go with it), else none.
  p.WndParent = nullptr;
  if (popupParent_ && popupParent_->HandleAllocated()) p.WndParent = popupParent_->Handle();
  else if (Application && Application->MainForm() && Application->MainForm() != this &&
           Application->MainForm()->HandleAllocated())
    p.WndParent = Application->MainForm()->Handle();
  switch (borderStyle_) {
    case bsNone: p.Style |= WS_POPUP; break;
    case bsSingle: case bsToolWindow: p.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: case bsSizeToolWin: p.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog: p.Style |= WS_POPUP | WS_CAPTION; p.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE; break;
  }
  if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin) p.ExStyle |= WS_EX_TOOLWINDOW;
  if (borderStyle_ != bsNone) {
    if (borderIcons_.Contains(biSystemMenu)) p.Style |= WS_SYSMENU;
    if (borderStyle_ != bsDialog && borderStyle_ != bsToolWindow && borderStyle_ != bsSizeToolWin) {
      if (borderIcons_.Contains(biMinimize)) p.Style |= WS_MINIMIZEBOX;
      if (borderIcons_.Contains(biMaximize)) p.Style |= WS_MAXIMIZEBOX;
    }
  }
  if (formStyle_ == fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
  p.WinClassName = "TForm";
}

void TCustomForm::CreateWnd() {
  TScrollingWinControl::CreateWnd();
  // The window may have been given a different client area than assumed without it.
  Realign();
}

TRect TCustomForm::ClientRect() {
  if (HandleAllocated()) return TScrollingWinControl::ClientRect();
  TCreateParams p;
  CreateParams(p);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, p.Style, FALSE, p.ExStyle);
  return Rect(0, 0, std::max(0, width_ - frame.Width()), std::max(0, height_ - frame.Height()));
}

void TCustomForm::SetClientWidthProp(Integer v) {
  if (IsLoading()) {
    // Set directly: the frame is known from the styles, the window need not exist.
    TRect cr = ClientRect();
    width_ = ClampCoord(Int64(width_) - cr.Width() + v);
    return;
  }
  SetClientWidth(v);
}

void TCustomForm::SetClientHeightProp(Integer v) {
  if (IsLoading()) {
    TRect cr = ClientRect();
    height_ = ClampCoord(Int64(height_) - cr.Height() + v);
    return;
  }
  SetClientHeight(v);
}

void TCustomForm::SetVisible(bool v) {
  if (formState_.Contains(fsCreating) || IsLoading()) {
    if (v) formState_ += fsVisible;
    else formState_ -= fsVisible;
    return;
  }
  if (v == visible_) {
    if (v && HandleAllocated()) BringWindowToTop(Handle());
    return;
  }
  TScrollingWinControl::SetVisible(v);
}

void TCustomForm::Show() {
  SetVisible(true);
  if (HandleAllocated()) BringWindowToTop(Handle());
}

void TCustomForm::ApplyPosition() {
  if (positioned_) return;
  positioned_ = true;
  TRect area = Screen->WorkAreaRect();
  TCustomForm* anchor = nullptr;
  switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
      SetBounds(area.Left + (area.Width() - width_) / 2, area.Top + (area.Height() - height_) / 2, width_, height_);
      break;
    case poMainFormCenter:
    case poOwnerFormCenter:
      anchor = position_ == poMainFormCenter ? Application->MainForm() : dynamic_cast<TCustomForm*>(Owner());
      if (anchor && anchor != this) {
        SetBounds(anchor->Left() + (anchor->Width() - width_) / 2, anchor->Top() + (anchor->Height() - height_) / 2,
                  width_, height_);
      } else {
        SetBounds(area.Left + (area.Width() - width_) / 2, area.Top + (area.Height() - height_) / 2, width_, height_);
      }
      break;
    default:
      break;
  }
}

void TCustomForm::CMShowingChanged(TMessage&) {
  if (Showing()) {
    DoShow();
    ApplyPosition();
    int cmd = windowState_ == wsMaximized ? SW_SHOWMAXIMIZED : windowState_ == wsMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    ShowWindow(Handle(), cmd);
    if (formStyle_ == fsStayOnTop)
      SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetActiveWindow(Handle());
    SetWindowFocus();
  } else {
    DoHide();
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  }
}

void TCustomForm::SetWindowFocus() {
  if (!HandleAllocated()) return;
  if (!activeControl_) {
    // The first control in tab order takes the focus, as when the form is first shown.
    if (TWinControl* first = FindNextControl(nullptr, true, true, false)) activeControl_ = first;
  }
  HWND target = activeControl_ && activeControl_->CanFocus() ? activeControl_->Handle() : Handle();
  ::SetFocus(target);
}

void TCustomForm::SetActiveControl(TWinControl* c) {
  if (c == activeControl_) return;
  if (IsLoading()) {
    activeControl_ = c;
    return;
  }
  if (c && (c == static_cast<TWinControl*>(this) || GetParentForm(c) != this || !c->CanFocus()))
    throw EInvalidOperation(vcl_consts::SCannotFocus);
  activeControl_ = c;
  if (active_ && HandleAllocated()) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* c) {
  bool wasActive = active_;
  SetActiveControl(c);
  if (!wasActive && HandleAllocated() && Showing()) {
    SetActiveWindow(Handle());
    SetWindowFocus();
  }
}

bool TCustomForm::SetFocusedControl(TWinControl* c) {
  if (c != this) activeControl_ = c;
  else activeControl_ = nullptr;
  if (c->ControlState().Contains(csFocusing)) return true;
  c->ControlState() += csFocusing;
  TWeakRef<TWinControl> guard(c);
  try {
    if (Screen->focusedForm_ != this) {
      TCustomForm* old = Screen->focusedForm_;
      Screen->focusedForm_ = this;
      if (old) old->Perform(CM_DEACTIVATE);
      Perform(CM_ACTIVATE);
    }
    if (!focusedControl_) focusedControl_ = this;
    if (focusedControl_ != c) {
      while (focusedControl_ && !focusedControl_->ContainsControl(c)) {
        TWinControl* leaving = focusedControl_;
        focusedControl_ = focusedControl_->Parent();
        leaving->Perform(CM_EXIT);
        if (!guard) return false;
      }
      while (focusedControl_ != c) {
        TWinControl* t = c;
        while (t->Parent() != focusedControl_) t = t->Parent();
        focusedControl_ = t;
        t->Perform(CM_ENTER);
        if (!guard) return false;
      }
      Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<NativeInt>(c));
    }
  } catch (...) {
    if (guard) c->ControlState() -= csFocusing;
    throw;
  }
  if (guard) c->ControlState() -= csFocusing;
  Screen->SetActive(this, c == this ? nullptr : c);
  return true;
}

void TCustomForm::DefocusControl(TWinControl* c, bool removing) {
  if (removing && c->ContainsControl(focusedControl_)) focusedControl_ = c->Parent();
  if (c->ContainsControl(activeControl_)) {
    TWinControl* next = nullptr;
    if (!removing && !ComponentState().Contains(csDestroying)) next = nullptr;
    activeControl_ = next;
    if (c->HandleAllocated() && (c->Focused() || (activeControl_ == nullptr && HandleAllocated() && GetFocus() && IsChild(c->Handle(), GetFocus()))))
      if (HandleAllocated()) ::SetFocus(Handle());
  }
}

void TCustomForm::ForgetControl(TControl* c) {
  if (IsWithin(activeControl_, c)) activeControl_ = nullptr;
  if (IsWithin(focusedControl_, c)) {
    TWinControl* p = c->Parent();
    focusedControl_ = p && IsWithin(p, this) ? p : nullptr;
  }
}

void TCustomForm::SendCancelMode(TControl* sender) {
  if (active_ && activeControl_) activeControl_->Perform(CM_CANCELMODE, 0, reinterpret_cast<NativeInt>(sender));
}

bool TCustomForm::CloseQuery() {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TCustomForm::Close() {
  if (formState_.Contains(fsModal)) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == caHide) {
    Hide();
  } else if (action == caMinimize) {
    SetWindowState(wsMinimized);
  } else {
    Release();
  }
}

void TCustomForm::Release() {
  if (HandleAllocated()) PostMessage(Handle(), CM_RELEASE, 0, 0);
  else Free();
}

void TCustomForm::CloseModal() {
  try {
    TCloseAction action = caNone;
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
    if (action == caNone) modalResult_ = mrNone;
    else if (action == caFree) Release();
  } catch (...) {
    modalResult_ = mrNone;
    Application->HandleException(this);
  }
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || formState_.Contains(fsModal)) throw EInvalidOperation(vcl_consts::SCannotShowModal);
  if (GetCapture()) SendMessage(GetCapture(), WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  Application->ModalStarted();
  formState_ += fsModal;
  HWND activeWindow = GetActiveWindow();
  TWeakRef<TCustomForm> self(this);
  // Every other enabled top-level form is disabled while this one is up.
  std::vector<TWeakRef<TCustomForm>> disabled;
  for (Integer i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if (f != this && f->HandleAllocated() && IsWindowEnabled(f->Handle())) {
      EnableWindow(f->Handle(), FALSE);
      disabled.emplace_back(f);
    }
  }
  auto restore = [&]() {
    for (auto& w : disabled)
      if (TCustomForm* f = w.Get(); f && f->HandleAllocated()) EnableWindow(f->Handle(), TRUE);
    if (activeWindow && IsWindow(activeWindow) && IsWindowVisible(activeWindow)) {
      SetActiveWindow(activeWindow);
    } else if (TCustomForm* main = Application->MainForm();
               main && main != self.Get() && main->HandleAllocated() && IsWindowVisible(main->Handle())) {
      // The window active before (a drop-down that opened this dialog) is gone: the main form
      // takes the activation back instead of leaving no window active.
      SetActiveWindow(main->Handle());
    }
    if (TCustomForm* me = self.Get()) me->formState_ -= fsModal;
    Application->ModalFinished();
  };
  TModalResult result = mrNone;
  try {
    Show();
    modalResult_ = mrNone;
    do {
      Application->HandleMessage();
      if (!self) break;
      if (Application->Terminated()) modalResult_ = mrCancel;
      else if (modalResult_ != mrNone) CloseModal();
    } while (self && modalResult_ == mrNone);
    if (self) {
      result = modalResult_;
      Hide();
    }
  } catch (...) {
    if (self) Hide();
    restore();
    throw;
  }
  restore();
  return result;
}

void TCustomForm::PaintWindow(HDC dc) {
  auto* cc = static_cast<TControlCanvas*>(canvas_.get());
  cc->FreeHandle();
  canvas_->Lock();
  canvas_->SetHandle(dc);
  try {
    Paint();
  } catch (...) {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
    throw;
  }
  canvas_->SetHandle(nullptr);
  canvas_->Unlock();
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::CMDialogKey(TMessage& m) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (m.WParam) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
          m.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (activeControl_ && activeControl_->Parent()) {
          activeControl_->Parent()->SelectNext(activeControl_, m.WParam == VK_RIGHT || m.WParam == VK_DOWN, false);
          m.Result = 1;
          return;
        }
        break;
      default:
        break;
    }
  }
  TScrollingWinControl::CMDialogKey(m);
}

void TCustomForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_CLOSE:
      Close();
      return;
    case CM_RELEASE:
      Free();
      return;
    case WM_NEXTDLGCTL:
      // LParam 0: WParam 0 the next control in tab order, else the previous one; otherwise
      // WParam is the window to focus.
      if (LOWORD(uintptr_t(m.LParam)) == 0) {
        SelectNext(activeControl_, m.WParam == 0, true);
      } else if (auto* c = dynamic_cast<TWinControl*>(FindControl(reinterpret_cast<HWND>(m.WParam)))) {
        if (c->CanFocus()) c->SetFocus();
      }
      return;
    case CM_ACTIVATE:
      if (!active_) {
        active_ = true;
        Activate();
      }
      return;
    case CM_DEACTIVATE:
      if (active_) {
        active_ = false;
        Deactivate();
      }
      return;
    case WM_ACTIVATE:
      TScrollingWinControl::Dispatch(m);
      if (LOWORD(m.WParam) != WA_INACTIVE) {
        if (!active_) {
          active_ = true;
          Activate();
        }
        SetWindowFocus();
      } else if (active_) {
        active_ = false;
        Deactivate();
      }
      return;
    default:
      TScrollingWinControl::Dispatch(m);
  }
}

// ---- data module ---------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TDataModule) {
  p.Event("OnCreate", &TDataModule::OnCreate);
  p.Event("OnDestroy", &TDataModule::OnDestroy);
}

TDataModule::TDataModule(TComponent* owner) : TComponent(owner) {}

void TDataModule::InitializeForm() {
  String text;
  if (FindFormResource(ClassName(), text)) ReadComponentFromText(this, text);
  if (OnCreate) OnCreate(this);
}

void TDataModule::BeforeDestruction() {
  if (OnDestroy) OnDestroy(this);
  TComponent::BeforeDestruction();
}

// ---- screen --------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TMonitor)

TRect TMonitor::BoundsRect() const {
  MONITORINFO mi;
  if (!GetMonitorInfo(handle_, &mi)) return Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  return mi.rcMonitor;
}

TRect TMonitor::WorkareaRect() const {
  MONITORINFO mi;
  if (!GetMonitorInfo(handle_, &mi)) return BoundsRect();
  return mi.rcWork;
}

bool TMonitor::Primary() const {
  MONITORINFO mi;
  return GetMonitorInfo(handle_, &mi) && (mi.dwFlags & MONITORINFOF_PRIMARY);
}

KORVAN_IMPLEMENT_CLASS(TScreen)

TScreen::TScreen(TComponent* owner)
    : TComponent(owner), hintFont_(new TFont), menuFont_(new TFont), iconFont_(new TFont) {
  hintFont_->SetColor(clInfoText);
  menuFont_->SetColor(clMenuText);
}

TScreen::~TScreen() = default;

void TScreen::SetCursor(TCursor v) {
  if (v == cursor_) return;
  cursor_ = v;
  if (v != crDefault) {
    ::SetCursor(Cursors(v));
  } else {
    // Let the window under the mouse choose its cursor again.
    POINT p;
    GetCursorPos(&p);
    if (HWND w = WindowFromPoint(p)) SendMessage(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    else ::SetCursor(Cursors(crArrow));
  }
}

HCURSOR TScreen::Cursors(TCursor id) {
  auto it = cursors_.find(id);
  if (it != cursors_.end()) return it->second;
  const char* name = IDC_ARROW;
  switch (id) {
    case crCross: name = IDC_CROSS; break;
    case crIBeam: name = IDC_IBEAM; break;
    case crSizeNESW: name = IDC_SIZENESW; break;
    case crSizeNS: case crVSplit: name = IDC_SIZENS; break;
    case crSizeNWSE: name = IDC_SIZENWSE; break;
    case crSizeWE: case crHSplit: name = IDC_SIZEWE; break;
    case crUpArrow: name = IDC_UPARROW; break;
    case crHourGlass: case crSQLWait: name = IDC_WAIT; break;
    case crNo: case crNoDrop: name = IDC_NO; break;
    case crAppStart: name = IDC_APPSTARTING; break;
    case crHelp: name = IDC_HELP; break;
    case crHandPoint: name = IDC_HAND; break;
    case crSizeAll: name = IDC_SIZEALL; break;
    case crNone: return nullptr;
    default: break;
  }
  return LoadCursor(nullptr, name);
}

void TScreen::SetCursors(TCursor id, HCURSOR handle) {
  if (id == crDefault) return;
  if (handle) cursors_[id] = handle;
  else cursors_.erase(id);
}

void TScreen::AddForm(TCustomForm* f) {
  if (std::find(forms_.begin(), forms_.end(), f) == forms_.end()) forms_.push_back(f);
}

void TScreen::RemoveForm(TCustomForm* f) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
  if (activeCustomForm_ == f) activeCustomForm_ = nullptr;
  if (focusedForm_ == f) focusedForm_ = nullptr;
  if (activeControl_ && GetParentForm(activeControl_) == f) activeControl_ = nullptr;
}

void TScreen::ControlDestroyed(TControl* c) {
  for (TCustomForm* f : forms_) f->ForgetControl(c);
  if (IsWithin(activeControl_, c)) activeControl_ = nullptr;
}

void TScreen::SetActive(TCustomForm* form, TWinControl* control) {
  bool formChanged = form != activeCustomForm_;
  bool controlChanged = control != activeControl_;
  activeCustomForm_ = form;
  activeControl_ = control;
  if (controlChanged && OnActiveControlChange) OnActiveControlChange(this);
  if (formChanged && OnActiveFormChange) OnActiveFormChange(this);
}

TRect TScreen::WorkAreaRect() const {
  RECT r;
  if (!SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0)) return DesktopRect();
  return r;
}

void TScreen::RefreshMonitors() {
  monitors_.clear();
  std::vector<HMONITOR> seen;
  // Probe the desktop for distinct monitors: the primary one first.
  HMONITOR primary = ::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
  if (primary) seen.push_back(primary);
  Integer w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (w <= 0) w = Width();
  if (h <= 0) h = Height();
  for (Integer y = 0; y < h; y += std::max(1, h / 8))
    for (Integer x = 0; x < w; x += std::max(1, w / 8)) {
      HMONITOR m = ::MonitorFromPoint({x, y}, MONITOR_DEFAULTTONULL);
      if (m && std::find(seen.begin(), seen.end(), m) == seen.end()) seen.push_back(m);
    }
  for (size_t i = 0; i < seen.size(); ++i) monitors_.push_back(std::make_unique<TMonitor>(Integer(i), seen[i]));
}

Integer TScreen::MonitorCount() {
  RefreshMonitors();
  return Integer(monitors_.size());
}

TMonitor* TScreen::Monitors(Integer i) {
  if (monitors_.empty()) RefreshMonitors();
  if (i < 0 || i >= Integer(monitors_.size())) throw EListError("List index out of bounds (" + IntToStr(i) + ")");
  return monitors_[size_t(i)].get();
}

TMonitor* TScreen::MonitorFromPoint(TPoint p) {
  HMONITOR h = ::MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST);
  RefreshMonitors();
  for (auto& m : monitors_)
    if (m->Handle() == h) return m.get();
  return monitors_.empty() ? nullptr : monitors_[0].get();
}

TMonitor* TScreen::MonitorFromRect(const TRect& r) {
  return MonitorFromPoint({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
}

TStrings* TScreen::Fonts() {
  if (!fonts_) {
    fonts_ = std::make_unique<TStringList>();
    // The names forms use; each maps to an installed family.
    for (const char* n : {"Arial", "Courier New", "MS Sans Serif", "MS UI Gothic", "Segoe UI", "Tahoma",
                          "Times New Roman", "ＭＳ ゴシック", "ＭＳ Ｐゴシック"})
      fonts_->Add(n);
  }
  return fonts_.get();
}

// ---- application ---------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TApplication)

TApplication::TApplication(TComponent* owner) : TComponent(owner) { CreateHandle(); }

TApplication::~TApplication() {
  if (hintWindow_) {
    THintWindow* h = hintWindow_;
    hintWindow_ = nullptr;
    h->Free();
  }
  if (handle_ && IsWindow(handle_)) DeallocateHWnd(handle_);
}

void TApplication::Initialize() {}

void TApplication::CreateForm(TClass cls, void* ref) {
  auto* f = dynamic_cast<TCustomForm*>(cls->Create(this));
  if (!f) throw EInvalidCast("Invalid class typecast");
  *static_cast<TCustomForm**>(ref) = f;
  try {
    f->InitializeForm();
  } catch (...) {
    *static_cast<TCustomForm**>(ref) = nullptr;
    f->Free();
    throw;
  }
  if (!mainForm_) mainForm_ = f;
}

void TApplication::Run() {
  terminated_ = false;
  if (mainForm_ && showMainForm_) mainForm_->Show();
  while (!terminated_ && mainForm_) {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  }
}

void TApplication::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

bool TApplication::IsKeyMsg(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND wnd = GetCapture();
  if (!wnd) wnd = msg.hwnd;
  TControl* c = nullptr;
  while (wnd && !(c = FindControl(wnd))) wnd = GetParent(wnd);
  if (!c) return false;
  return c->Perform(CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

bool TApplication::IsHintMsg(MSG& msg) {
  if (hintActive_ && ((msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
                      msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN ||
                      msg.message == WM_MBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN || msg.message == WM_ACTIVATE))
    CancelHint();
  return false;
}

bool TApplication::PreProcessMessage(MSG& msg) {
  if (menuTracking_ > 0) return false;
  IsHintMsg(msg);
  if (TDragManager::Instance().HandleMessage(msg)) return true;
  return IsKeyMsg(msg);
}

bool TApplication::ProcessMessage(MSG& msg) {
  // Key and drag messages were already handled on their way out of the queue (see the
  // message hook installed by InitializeForms); those come back as WM_NULL.
  if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  if (msg.message == WM_NULL) return true;
  TranslateMessage(&msg);
  DispatchMessage(&msg);
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle(msg);
}

bool TApplication::DoIdle() {
  DoMouseIdle();
  bool done = true;
  if (OnIdle) OnIdle(this, done);
  return done;
}

void TApplication::Idle(const MSG&) {
  bool done = true;
  try {
    done = DoIdle();
  } catch (...) {
    HandleException(this);
  }
  if (done && !terminated_) WaitMessage();
}

void TApplication::DoMouseIdle() {
  POINT p;
  GetCursorPos(&p);
  TControl* c = FindDragTarget(p, true);
  if (c != mouseControl_) {
    TControl* old = mouseControl_;
    mouseControl_ = c;
    if (old) old->Perform(CM_MOUSELEAVE);
    if (c && mouseControl_ == c) c->Perform(CM_MOUSEENTER);
    // A hint follows the control under the mouse.
    if (hintActive_) CancelHint();
    hintControl_ = nullptr;
    if (c && showHint_ && c->ShowHint() && !c->Hint().empty() && Active()) {
      hintControl_ = c;
      StartHintTimer(hintPause_, 1);
    }
  }
}

void TApplication::ControlDestroyed(TControl* c) {
  if (mouseControl_ == c) mouseControl_ = nullptr;
  if (hintControl_ == c) {
    hintControl_ = nullptr;
    CancelHint();
  }
}

void TApplication::CreateHandle() {
  if (handle_ && IsWindow(handle_)) return;
  handle_ = AllocateHWnd([this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return WndProc(w, m, wp, lp); });
  active_ = true;
}

void TApplication::StartHintTimer(Integer ms, int kind) {
  StopHintTimer();
  CreateHandle();
  hintTimerKind_ = kind;
  SetTimer(handle_, 1, UINT(std::max(ms, 1)), nullptr);
}

void TApplication::StopHintTimer() {
  if (hintTimerKind_) KillTimer(handle_, 1);
  hintTimerKind_ = 0;
}

void TApplication::HintTimerExpired() {
  int kind = hintTimerKind_;
  StopHintTimer();
  if (kind == 1) {
    POINT p;
    GetCursorPos(&p);
    ActivateHint(p);
  } else if (kind == 2) {
    CancelHint();
  }
}

TClass HintWindowClass = nullptr;

THintWindow* CreateHintWindow(TComponent* owner) {
  if (HintWindowClass && HintWindowClass->InheritsFrom(THintWindow::StaticClass()) && !HintWindowClass->IsAbstract())
    if (auto* w = dynamic_cast<THintWindow*>(HintWindowClass->Create(owner))) return w;
  return new THintWindow(owner);
}

void TApplication::ActivateHint(TPoint cursorPos) {
  TControl* c = hintControl_ ? hintControl_ : FindDragTarget(cursorPos, true);
  if (!c || !showHint_) return;
  THintInfo info{c, cursorPos, c->ClientRect(), c->Hint(), hintHidePause_, 0};
  info.HintStr = GetShortHint(info.HintStr);
  bool canShow = c->Perform(CM_HINTSHOW, 0, reinterpret_cast<NativeInt>(&info)) == 0;
  if (canShow && OnShowHint) OnShowHint(info.HintStr, canShow, info);
  if (!canShow || info.HintStr.empty()) return;
  if (!hintWindow_) {
    hintWindow_ = CreateHintWindow(nullptr);
    hintWindow_->SetColor(hintColor_);
  }
  TRect r = hintWindow_->CalcHintRect(Screen->Width(), info.HintStr);
  Integer cy = GetSystemMetrics(SM_CYCURSOR);
  r = Bounds(info.CursorPos.X, info.CursorPos.Y + (cy > 0 ? cy : 20), r.Width(), r.Height());
  hintWindow_->ActivateHint(r, info.HintStr);
  hintActive_ = true;
  SetHint(GetLongHint(c->Hint()));
  if (info.HideTimeout > 0) StartHintTimer(info.HideTimeout, 2);
}

void TApplication::CancelHint() {
  StopHintTimer();
  if (hintWindow_) hintWindow_->ReleaseHandle();
  hintActive_ = false;
}

void TApplication::SetShowHint(bool v) {
  showHint_ = v;
  if (!v) CancelHint();
}

void TApplication::SetHint(const String& v) {
  if (v == hint_) return;
  hint_ = v;
  if (OnHint) OnHint(this);
}

LRESULT TApplication::WndProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_TIMER && w == 1) {
    HintTimerExpired();
    return 0;
  }
  if (msg == WM_ACTIVATEAPP) {
    active_ = w != 0;
    if (!active_) CancelHint();
    if (active_ && OnActivate) OnActivate(this);
    if (!active_ && OnDeactivate) OnDeactivate(this);
    return 0;
  }
  if (msg == WM_SYSCOLORCHANGE || msg == WM_SETTINGCHANGE || msg == WM_FONTCHANGE || msg == WM_TIMECHANGE) {
    Cardinal cm = msg == WM_SYSCOLORCHANGE ? CM_SYSCOLORCHANGE
                  : msg == WM_SETTINGCHANGE ? CM_WININICHANGE
                  : msg == WM_FONTCHANGE    ? CM_FONTCHANGE
                                            : CM_TIMECHANGE;
    for (Integer i = 0; Screen && i < Screen->FormCount(); ++i) Screen->Forms(i)->Perform(cm, w, l);
    return 0;
  }
  return DefWindowProc(wnd, msg, w, l);
}

void TApplication::ModalStarted() {
  ++modalLevel_;
  if (modalLevel_ == 1 && OnModalBegin) OnModalBegin(this);
}

void TApplication::ModalFinished() {
  --modalLevel_;
  if (modalLevel_ == 0 && OnModalEnd) OnModalEnd(this);
}

void TApplication::HandleException(TObject* sender) {
  if (GetCapture()) SendMessage(GetCapture(), WM_CANCELMODE, 0, 0);
  try {
    throw;
  } catch (const EAbort&) {
    // silent
  } catch (const Exception& e) {
    if (OnException) OnException(sender, e);
    else ShowException(e);
  } catch (const std::exception& e) {
    Exception ex(e.what());
    if (OnException) OnException(sender, ex);
    else ShowException(ex);
  }
}

void TApplication::ShowException(const Exception& e) {
  String msg = e.Message();
  if (!msg.empty() && msg.back() != '.') msg += ".";
  MessageBox(msg, title_.empty() ? String("Error") : title_, MB_OK | MB_ICONSTOP);
}

Integer ShowMessageBoxForm(const String& text, const String& caption, UINT flags);

Integer TApplication::MessageBox(const String& text, const String& caption, UINT flags) {
  if (messageBoxHook_) return messageBoxHook_(text, caption, flags);
  return ShowMessageBoxForm(text, caption, flags);
}

namespace {
HHOOK g_getMessageHook = nullptr;

// Every message taken from the queue, by any loop (the application's, a modal form's, a test
// pump), passes here first: keys go to the focused control's dialog-key handling and a drag
// in progress takes the mouse. A message used up here becomes WM_NULL.
LRESULT GetMessageHook(int code, WPARAM w, LPARAM l) {
  if (code >= 0 && w == PM_REMOVE && Application) {
    MSG* m = reinterpret_cast<MSG*>(l);
    try {
      if (Application->PreProcessMessage(*m)) m->message = WM_NULL;
    } catch (...) {
      m->message = WM_NULL;
      Application->HandleException(Application);
    }
  }
  return CallNextHookEx(g_getMessageHook, code, w, l);
}
}  // namespace

void InitializeForms() {
  InitUnit(
      "Forms",
      [] {
        InitializeControls();
        InitializeMenus();
        InitializeImgList();
        InitializeComCtrls();
        InitializeDialogs();
        Application = new TApplication(nullptr);
        Screen = new TScreen(nullptr);
        for (TClass c : {TForm::StaticClass(), TCustomForm::StaticClass(), TDataModule::StaticClass()})
          RegisterClass(c);
        g_getMessageHook = SetWindowsHookEx(WH_GETMESSAGE, &GetMessageHook, nullptr, GetCurrentThreadId());
      },
      [] {
        if (g_getMessageHook) UnhookWindowsHookEx(g_getMessageHook);
        g_getMessageHook = nullptr;
        TApplication* a = Application;
        TScreen* s = Screen;
        Application = nullptr;
        a->Free();
        Screen = nullptr;
        s->Free();
      });
}

KORVAN_IMPLEMENT_CLASS(TForm)
