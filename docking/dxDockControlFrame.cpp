// The frame of dock controls: the non-client calculation with its caption and button
// rectangles, the minimum sizes and the frame requests that the controller may defer.
#include "docking/dxDockControl.h"
#include "docking/dxDockControlBrackets.h"
#include "user/Windows.h"
#include "vcl/ControlMessages.h"
#include "vcl/Menus.h"

using dock_brackets::PointOf;

bool TdxCustomDockControl::HasCaptionCloseButton() { return HasCaption() && captionButtons_.Contains(cbClose); }
bool TdxCustomDockControl::HasCaptionHideButton() {
  return HasCaption() && captionButtons_.Contains(cbHide) && CanAutoHide();
}
bool TdxCustomDockControl::HasCaptionMaximizeButton() {
  return HasCaption() && captionButtons_.Contains(cbMaximize) && CanMaximize();
}

bool TdxCustomDockControl::IsCaptionVertical() {
  TdxSideContainerDockSite* s = SideContainer();
  TdxDockingType t = s ? s->DockType() : dockType_;
  return Painter()->CanVerticalCaption() && (t == dtTop || t == dtBottom);
}

Integer TdxCustomDockControl::GetMinimumHeight() {
  TdxDockControlPainter* p = Painter();
  if (!HasCaption()) return 28;
  if (IsCaptionVertical())
    return 2 * p->GetBorderWidth() + 6 * p->GetCaptionSpacing() + 3 * p->GetCaptionButtonSize();
  return p->GetCaptionHeight() + 2 * p->GetBorderWidth();
}

Integer TdxCustomDockControl::GetMinimumWidth() {
  TdxDockControlPainter* p = Painter();
  if (!HasCaption()) return 58;
  if (IsCaptionVertical()) return p->GetCaptionHeight() + 2 * p->GetBorderWidth();
  return 2 * p->GetBorderWidth() + 6 * p->GetCaptionSpacing() + 3 * p->GetCaptionButtonSize();
}

void TdxCustomDockControl::CalculateNC(TRect& r) {
  TdxDockControlPainter* p = Painter();
  Integer border = p->GetBorderWidth();
  if (HasBorder()) r = Rect(r.Left + border, r.Top + border, r.Right - border, r.Bottom - border);
  if (!HasCaption()) return;
  captionSeparatorRect_ = TRect();
  Integer size = p->GetCaptionButtonSize(), spacing = p->GetCaptionSpacing(), height = p->GetCaptionHeight();
  closeRect_ = hideRect_ = maximizeRect_ = TRect();
  struct Button {
    bool available;
    TRect* rect;
  } buttons[] = {{HasCaptionCloseButton(), &closeRect_},
                 {HasCaptionHideButton(), &hideRect_},
                 {HasCaptionMaximizeButton(), &maximizeRect_}};
  if (IsCaptionVertical()) {
    captionRect_ = Rect(r.Left, r.Top, r.Left + height, r.Bottom);
    Integer e = captionRect_.Top + 2 * spacing;
    for (Button& b : buttons) {
      if (!b.available) continue;
      Integer left = captionRect_.Left + (captionRect_.Width() - size) / 2;
      *b.rect = Rect(left, e, left + size, e + size);
      e = b.rect->Bottom + spacing;
    }
    captionTextRect_ = captionRect_;
    captionTextRect_.Bottom -= 2 * spacing;
    captionTextRect_.Top = e;
    r.Left = captionRect_.Right;
    captionSeparatorRect_ = Rect(r.Left, r.Top, r.Left + std::min(r.Right - r.Left, border), r.Bottom);
    r.Left = captionSeparatorRect_.Right;
  } else {
    captionRect_ = Rect(r.Left, r.Top, r.Right, r.Top + height);
    Integer e = captionRect_.Right - 2 * spacing;
    for (Button& b : buttons) {
      if (!b.available) continue;
      Integer top = captionRect_.Top + (height - size) / 2;
      *b.rect = Rect(e - size, top, e, top + size);
      e = b.rect->Left - spacing;
    }
    captionTextRect_ = captionRect_;
    captionTextRect_.Left += 2 * spacing;
    captionTextRect_.Right = e;
    r.Top = captionRect_.Bottom;
    captionSeparatorRect_ = Rect(r.Left, r.Top, r.Right, r.Top + std::min(r.Bottom - r.Top, border));
    r.Top = captionSeparatorRect_.Bottom;
  }
}

void TdxCustomDockControl::WMNCCalcSize(TMessage& m) {
  auto* rect = reinterpret_cast<RECT*>(m.LParam);
  if (!forceRecalc_ && !Controller()->CanRecalculateNC(this)) {
    *rect = cachedClientRect_;
    m.Result = 0;
    return;
  }
  TCustomControl::WndProc(m);
  TRect r = *rect;
  Integer dx = r.Left, dy = r.Top;
  r = Rect(0, 0, r.Width(), r.Height());
  windowRect_ = r;
  CalculateNC(r);
  r = Rect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
  if (r.Left > r.Right) r.Left = r.Right;
  if (r.Top > r.Bottom) r.Top = r.Bottom;
  *rect = r;
  cachedClientRect_ = r;
  forceRecalc_ = false;
}

// ---- painting the frame --------------------------------------------------------------------

void TdxCustomDockControl::NCPaint(TCanvas* canvas) {
  if (HasBorder()) {
    TdxDockControlPainter* p = Painter();
    p->DrawBorder(canvas, windowRect_);
    Integer bw = p->GetBorderWidth();
    const TRect& w = windowRect_;
    HDC dc = canvas->Handle();
    ExcludeClipRect(dc, w.Left, w.Top, w.Left + bw, w.Bottom);
    ExcludeClipRect(dc, w.Left, w.Bottom - bw, w.Right, w.Bottom);
    ExcludeClipRect(dc, w.Right - bw, w.Top, w.Right, w.Bottom);
    ExcludeClipRect(dc, w.Left, w.Top, w.Right, w.Top + bw);
  }
  NCPaintCaption(canvas);
}

void TdxCustomDockControl::NCPaintCaption(TCanvas* canvas) {
  if (!HasCaption()) return;
  TdxDockControlPainter* p = Painter();
  bool active = IsCaptionActive();
  p->DrawCaption(canvas, captionRect_, active);
  p->DrawCaptionSeparator(canvas, captionSeparatorRect_);
  p->DrawCaptionText(canvas, captionTextRect_, active);
  if (HasCaptionCloseButton()) p->DrawCaptionCloseButton(canvas, closeRect_, active, closePressed_, closeHot_, false);
  if (HasCaptionHideButton()) p->DrawCaptionHideButton(canvas, hideRect_, active, hidePressed_, hideHot_, autoHide_);
  if (HasCaptionMaximizeButton())
    p->DrawCaptionMaximizeButton(canvas, maximizeRect_, active, maximizePressed_, maximizeHot_, IsMaximized());
  ExcludeClipRect(canvas->Handle(), captionRect_.Left, captionRect_.Top, captionRect_.Right, captionRect_.Bottom);
}

TPoint TdxCustomDockControl::ScreenToWindow(TPoint screen) {
  if (!HandleAllocated()) return screen;
  RECT r;
  GetWindowRect(Handle(), &r);
  return TPoint(screen.X - r.Left, screen.Y - r.Top);
}

void TdxCustomDockControl::WMNCPaint() {
  if (!Controller()->CanPaintNC(this)) return;
  HDC dc = GetWindowDC(Handle());
  if (!dc) return;
  HRGN saved = CreateRectRgn(0, 0, 0, 0);
  bool hadClip = GetClipRgn(dc, saved) == 1;
  TPoint client = ScreenToWindow(ClientToScreen(TPoint(0, 0)));
  ExcludeClipRect(dc, client.X, client.Y, client.X + ClientWidth(), client.Y + ClientHeight());
  TCanvas* buffer = useDoubleBufferedNC_ ? Controller()->PrepareFrameBitmap(windowRect_) : nullptr;
  if (buffer) {
    HDC bdc = buffer->Handle();
    SelectClipRgn(bdc, nullptr);
    ExcludeClipRect(bdc, client.X, client.Y, client.X + ClientWidth(), client.Y + ClientHeight());
    NCPaint(buffer);
    SelectClipRgn(bdc, nullptr);
    BitBlt(dc, 0, 0, windowRect_.Width(), windowRect_.Height(), bdc, 0, 0, SRCCOPY);
  } else {
    TCanvas canvas;
    canvas.SetHandle(dc);
    NCPaint(&canvas);
    canvas.SetHandle(nullptr);
  }
  SelectClipRgn(dc, hadClip ? saved : nullptr);
  DeleteObject(saved);
  ReleaseDC(Handle(), dc);
}

// ---- the caption mouse ---------------------------------------------------------------------

bool TdxCustomDockControl::IsParentFormActive() {
  TCustomForm* f = ParentForm();
  if (!f) return false;
  if (f->FormStyle() == fsMDIForm) return Application && Application->Active();
  TCustomForm* top = GetParentForm(f);
  return top && top->Active();
}

bool TdxCustomDockControl::IsParentFormVisible() {
  TCustomForm* f = ParentForm();
  return f && (f->Visible() || f->FormState().Contains(fsVisible));
}

bool TdxCustomDockControl::MouseLeftDown(TPoint client) {
  pressPoint_ = lastMousePoint_ = client;
  TPoint w = ScreenToWindow(ClientToScreen(client));
  if (GetResizeZoneAtPos(ClientToScreen(client))) {
    StartResize(ClientToScreen(client));
    return true;
  }
  if (HasCaptionCloseButton() && closeRect_.Contains(w))
    closePressed_ = true;
  else if (HasCaptionHideButton() && hideRect_.Contains(w))
    hidePressed_ = true;
  else if (HasCaptionMaximizeButton() && maximizeRect_.Contains(w))
    maximizePressed_ = true;
  else if (HasCaption() && captionRect_.Contains(w))
    captionPressed_ = true;
  else
    return false;
  if (!captionPressed_) RepaintNC();
  SetMouseCapture(true);
  return true;
}

bool TdxCustomDockControl::MouseMoved(TPoint client) {
  lastMousePoint_ = client;
  TdxDockingController* c = Controller();
  if (c->DockingControl() == this) {
    Docking(ClientToScreen(client));
    return true;
  }
  if (c->ResizingControl() == this) {
    Resizing(ClientToScreen(client));
    return true;
  }
  if (!FloatFormActive() && !IsParentFormActive() && !IsDesigning()) return false;
  TPoint w = ScreenToWindow(ClientToScreen(client));
  bool handled = false;
  auto track = [&](bool available, const TRect& r, bool& hot) {
    bool now = available && r.Contains(w);
    if (now == hot) return;
    hot = now;
    RepaintNC();
    handled = true;
  };
  track(HasCaptionCloseButton(), closeRect_, closeHot_);
  track(HasCaptionHideButton(), hideRect_, hideHot_);
  track(HasCaptionMaximizeButton(), maximizeRect_, maximizeHot_);
  if (captionPressed_ && (GetKeyState(VK_LBUTTON) & 0x8000) && CheckDragStart(client, captionRect_)) {
    captionPressed_ = false;
    return true;
  }
  return handled;
}

bool TdxCustomDockControl::MouseLeftUp(TPoint client) {
  lastMousePoint_ = client;
  TdxDockingController* c = Controller();
  if (c->DockingControl() == this) {
    EndDocking(ClientToScreen(client), false);
    c->SetActivatingControl(nullptr);
    return true;
  }
  if (c->ResizingControl() == this) {
    EndResize(ClientToScreen(client), false);
    c->SetActivatingControl(nullptr);
    return true;
  }
  TPoint w = ScreenToWindow(ClientToScreen(client));
  bool handled = true;
  auto release = [&](bool& pressed, const TRect& r) {
    SetMouseCapture(false);
    pressed = false;
    return r.Contains(w);
  };
  if (closePressed_) {
    if (release(closePressed_, closeRect_) && !IsDesigning()) DoClose();
    RepaintNC();
  } else if (hidePressed_) {
    if (release(hidePressed_, hideRect_)) ChangeAutoHide();
    RepaintNC();
  } else if (maximizePressed_) {
    if (release(maximizePressed_, maximizeRect_)) DoMaximize();
    RepaintNC();
  } else if (captionPressed_) {
    SetMouseCapture(false);
    captionPressed_ = false;
  } else {
    handled = false;
  }
  Controller()->SetActivatingControl(nullptr);
  return handled;
}

bool TdxCustomDockControl::MouseLeftDoubleClick(TPoint client) {
  if (IsDesigning() || !Options().Contains(doDblClickDocking) || autoHide_ || !dockable_) return false;
  TPoint w = ScreenToWindow(ClientToScreen(lastMousePoint_));
  if (!HasCaption() || !captionRect_.Contains(w)) return false;
  for (const TRect* b : {&closeRect_, &hideRect_, &maximizeRect_})
    if (b->Contains(w)) return false;
  TPoint screen = ClientToScreen(lastMousePoint_);
  if (OnStartDocking) OnStartDocking(this, screen.X, screen.Y);
  MakeFloatingAtCurrentPos();
  if (OnEndDocking) OnEndDocking(this, nullptr, screen.X, screen.Y);
  return true;
}

void TdxCustomDockControl::MouseLeft() {
  if (autoHide_)
    if (TdxDockSite* host = AutoHideHostSite(); host && host->ShownControl() == this) host->RestartHideTimer();
  if (!closeHot_ && !hideHot_ && !maximizeHot_) return;
  closeHot_ = hideHot_ = maximizeHot_ = false;
  RepaintNC();
}

void TdxCustomDockControl::ShowContextMenu(TMessage& m) {
  TPoint p = PointOf(m.LParam);
  bool keyboard = p.X < 0 || p.Y < 0;
  bool handled = false;
  DoContextPopup(keyboard ? p : ScreenToClient(p), handled);
  if (handled) {
    m.Result = 1;
    return;
  }
  TPopupMenu* menu = PopupMenu();
  if (menu && menu->AutoPopup()) {
    SendCancelMode(this);
    menu->SetPopupComponent(this);
    TPoint at = keyboard ? ClientToScreen(TPoint(0, 0)) : p;
    menu->Popup(at.X, at.Y);
    m.Result = 1;
    return;
  }
  TCustomControl::WndProc(m);
}

void TdxCustomDockControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_NCCALCSIZE: WMNCCalcSize(message); return;
    case WM_NCPAINT:
      WMNCPaint();
      message.Result = 0;
      return;
    case WM_ERASEBKGND: {
      TCanvas canvas;
      canvas.SetHandle(reinterpret_cast<HDC>(message.WParam));
      Painter()->DrawClient(&canvas, Rect(0, 0, ClientWidth(), ClientHeight()));
      canvas.SetHandle(nullptr);
      message.Result = 1;
      return;
    }
    case WM_LBUTTONDOWN:
      TCustomControl::WndProc(message);
      MouseLeftDown(PointOf(message.LParam));
      return;
    case WM_LBUTTONUP:
      TCustomControl::WndProc(message);
      MouseLeftUp(PointOf(message.LParam));
      return;
    case WM_MOUSEMOVE:
      TCustomControl::WndProc(message);
      MouseMoved(PointOf(message.LParam));
      return;
    case WM_RBUTTONDOWN:
      Controller()->CancelDocking();
      Controller()->CancelResizing();
      TCustomControl::WndProc(message);
      return;
    case WM_LBUTTONDBLCLK:
      TCustomControl::WndProc(message);
      MouseLeftDoubleClick(PointOf(message.LParam));
      return;
    case CM_MOUSELEAVE:
      TCustomControl::WndProc(message);
      MouseLeft();
      return;
    case WM_CONTEXTMENU: ShowContextMenu(message); return;
    case WM_MOUSEACTIVATE:
      // A click into the control makes it the active dock control.
      Activate();
      message.Result = MA_ACTIVATE;
      return;
    case WM_MOVE:
    case WM_SIZE: {
      DockingController()->BeginUpdateNC();
      try {
        TCustomControl::WndProc(message);
      } catch (...) {
        DockingController()->EndUpdateNC();
        throw;
      }
      DockingController()->EndUpdateNC();
      return;
    }
    default: TCustomControl::WndProc(message);
  }
}

void TdxCustomDockControl::CreateWnd() {
  TCustomControl::CreateWnd();
  if (parentDockControl_) parentDockControl_->UpdateDockZones();
  // The children were aligned before the frame existed; the client area is smaller now.
  Realign();
}

void TdxCustomDockControl::RecalculateNC(bool force) {
  forceRecalc_ = force;
  if (HandleAllocated() && (force || Controller()->CanRecalculateNC(this))) {
    TRect before = ClientRect();
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // A frame that grew or shrank changes the client area the docked children align in.
    if (ClientRect() != before) Realign();
  }
}

void TdxCustomDockControl::InvalidateNC(bool recalculate) {
  if (!HandleAllocated()) return;
  if (recalculate) {
    TRect r = windowRect_;
    CalculateNC(r);
  }
  if (Controller()->CanPaintNC(this)) SendMessage(Handle(), WM_NCPAINT, 1, 0);
}

// The whole frame is painted again (through the buffer), which shows the caption as a direct
// caption paint would.
void TdxCustomDockControl::RepaintNC() { InvalidateNC(false); }

void TdxCustomDockControl::BeginUpdateNC() { Controller()->BeginUpdateNC(); }
void TdxCustomDockControl::EndUpdateNC() { Controller()->EndUpdateNC(); }

// ---- the standard painter's class operations and metrics -----------------------------------

KORVAN_IMPLEMENT_CLASS(TdxDockControlPainter)

void TdxDockControlPainter::InitManagerColor(TdxDockingManager* manager) { manager->SetColor(clBtnFace); }

void TdxDockControlPainter::InitManagerFont(TdxDockingManager* manager) {
  TFont* f = manager->Font();
  f->SetCharset(DEFAULT_CHARSET);
  f->SetColor(clBlack);
  f->SetHeight(-11);
  f->SetName("MS Sans Serif");
  f->SetPitch(fpDefault);
  f->SetStyle({});
}

TColor TdxDockControlPainter::GetColor() { return owner_ ? owner_->Color() : clBtnFace; }

TFont* TdxDockControlPainter::GetFont() {
  if (owner_) return owner_->Font();
  static TFont defaultFont;
  return &defaultFont;
}

Integer TdxDockControlPainter::FontSize() { return GetFont()->Size(); }

Integer TdxDockControlPainter::GetTabsHeight() {
  return std::max(FontSize() + 22, 2 * GetTabVertOffset() + GetImageHeight() + 8);
}

Integer TdxDockControlPainter::GetHideBarHeight() {
  return std::max(FontSize() + 20, 2 * GetHideBarVertInterval() + GetImageHeight() + 4);
}

Integer TdxDockControlPainter::GetHideBarWidth() {
  return std::max(FontSize() + 20, 2 * GetHideBarVertInterval() + GetImageWidth() + 4);
}
