// Message windows, TcxTimer with its shared timer window, mouse-leave tracking, the popup
// window base, and the unit's start (cursors) and end.
#include <algorithm>

#include "foundation/cxControls.h"
#include "foundation/cxControlsInternal.h"
#include "vcl/Resources.h"

// ---- message windows -----------------------------------------------------------------------

TcxMessageWindow::TcxMessageWindow() {
  handle_ = AllocateHWnd([this](HWND, UINT msg, WPARAM w, LPARAM l) { return HandleMessage(msg, w, l); });
}

TcxMessageWindow::~TcxMessageWindow() {
  if (handle_) DeallocateHWnd(handle_);
}

LRESULT TcxMessageWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(handle_, msg, wParam, lParam);
}

KORVAN_IMPLEMENT_CLASS(TcxMessageWindow)

namespace {

// The one window of every TcxTimer: a WM_TIMER fires the timer whose identifier is active.
class TcxTimerWindow : public TcxMessageWindow {
 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_TIMER) {
      auto& active = cxcontrols_internal::ActiveTimers();
      if (std::find(active.begin(), active.end(), UINT_PTR(wParam)) != active.end())
        reinterpret_cast<TcxTimer*>(wParam)->FireTimer();
      return 0;
    }
    return TcxMessageWindow::HandleMessage(msg, wParam, lParam);
  }
};

std::unique_ptr<TcxMessageWindow> gSharedWindow;
std::unique_ptr<TcxTimerWindow> gTimerWindow;
std::unique_ptr<std::vector<UINT_PTR>> gActiveTimers;
std::unique_ptr<std::vector<TMouseTrackingTimer*>> gTrackingTimers;

TcxTimerWindow* TimerWindow() {
  // Made again when something destroyed its window (a test session ending destroys every
  // window left).
  if (!gTimerWindow || !IsWindow(gTimerWindow->Handle())) {
    gTimerWindow = std::make_unique<TcxTimerWindow>();
    if (gActiveTimers) gActiveTimers->clear();
  }
  return gTimerWindow.get();
}

std::vector<TMouseTrackingTimer*>& TrackingTimers() {
  if (!gTrackingTimers) gTrackingTimers = std::make_unique<std::vector<TMouseTrackingTimer*>>();
  return *gTrackingTimers;
}

TMouseTrackingTimer* FindTrackingTimer(IcxMouseTrackingCaller* caller) {
  if (!gTrackingTimers) return nullptr;
  for (TMouseTrackingTimer* t : *gTrackingTimers)
    if (t->TrackedCaller == caller) return t;
  return nullptr;
}

}  // namespace

std::vector<UINT_PTR>& cxcontrols_internal::ActiveTimers() {
  if (!gActiveTimers) gActiveTimers = std::make_unique<std::vector<UINT_PTR>>();
  return *gActiveTimers;
}

TcxMessageWindow* SharedMessageWindow() {
  if (!gSharedWindow || !IsWindow(gSharedWindow->Handle())) gSharedWindow = std::make_unique<TcxMessageWindow>();
  return gSharedWindow.get();
}

// ---- TcxTimer ------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxTimer)

TcxTimer::TcxTimer(TComponent* owner) : TComponent(owner) {}

TcxTimer::~TcxTimer() {
  enabled_ = false;
  RestartTimer();
}

void TcxTimer::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  RestartTimer();
}

void TcxTimer::SetInterval(Cardinal v) {
  if (v == 0 || v == interval_) return;
  interval_ = v;
  RestartTimer();
}

void TcxTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  RestartTimer();
}

void TcxTimer::FireTimer() {
  // A handler may free its own timer (stopping a scroll or a one-shot wait): it runs from a
  // copy, so the function being executed is not destroyed under it.
  if (!onTimer_) return;
  const auto handler = onTimer_;
  handler(this);
}

void TcxTimer::RestartTimer() {
  if (running_) {
    // Stopping never makes the timer window (it may be gone at program end).
    if (gTimerWindow) KillTimer(gTimerWindow->Handle(), TimerId());
    auto& active = cxcontrols_internal::ActiveTimers();
    active.erase(std::remove(active.begin(), active.end(), TimerId()), active.end());
    running_ = false;
  }
  if (enabled_ && !running_ && onTimer_) {
    if (SetTimer(TimerWindow()->Handle(), TimerId(), interval_, nullptr) != 0) {
      running_ = true;
      cxcontrols_internal::ActiveTimers().push_back(TimerId());
    }
  }
}

// ---- mouse tracking ------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TMouseTrackingTimer)

TMouseTrackingTimer::TMouseTrackingTimer(TComponent* owner) : TcxTimer(owner) {
  SetInterval(10);
  SetOnTimer([this](TObject* sender) { Tick(sender); });
}

void TMouseTrackingTimer::Tick(TObject*) {
  TPoint cursor;
  QueryCursorPos(cursor);
  TWinControl* control = TrackedControlRef.Get();
  bool inside;
  if (auto* area = dynamic_cast<IcxMouseTrackingArea*>(TrackedCaller)) {
    if (!control || !control->HandleAllocated()) {
      inside = false;
    } else {
      inside = area->PtInCaller(control->ScreenToClient(cursor));
    }
  } else {
    inside = TrackedBounds.Contains(cursor);
  }
  if (inside) return;
  IcxMouseTrackingCaller* caller = TrackedCaller;
  if (control && control->HandleAllocated()) {
    TPoint client = control->ScreenToClient(cursor);
    if (!control->ClientRect().Contains(client))
      control->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<NativeInt>(static_cast<TControl*>(control)));
  }
  caller->MouseLeave();
  EndMouseTracking(caller);  // frees this timer
}

void BeginMouseTracking(TWinControl* control, const TRect& bounds, IcxMouseTrackingCaller* caller) {
  if (!caller || FindTrackingTimer(caller)) return;
  auto* timer = new TMouseTrackingTimer(nullptr);
  timer->TrackedCaller = caller;
  timer->TrackedControl = control;
  timer->TrackedControlRef = TWeakRef<TWinControl>(control);
  timer->TrackedBounds = bounds;
  if (control) {
    TPoint a = control->ClientToScreen(bounds.TopLeft());
    TPoint b = control->ClientToScreen(bounds.BottomRight());
    timer->TrackedBounds = TRect(a, b);
  }
  TrackingTimers().push_back(timer);
}

void EndMouseTracking(IcxMouseTrackingCaller* caller) {
  TMouseTrackingTimer* timer = FindTrackingTimer(caller);
  if (!timer) return;
  auto& list = TrackingTimers();
  list.erase(std::find(list.begin(), list.end(), timer));
  timer->Free();
}

bool IsMouseTracked(IcxMouseTrackingCaller* caller) { return FindTrackingTimer(caller) != nullptr; }

Integer MouseTrackingTimerCount() { return gTrackingTimers ? Integer(gTrackingTimers->size()) : 0; }

// ---- unit start and end --------------------------------------------------------------------

namespace {

struct TCursorResource {
  TCursor Id;
  const char* Name;
};
constexpr TCursorResource kCursors[] = {
    {crDragCopy, "CX_DRAGCOPYCURSOR"},       {crFullScroll, "CX_FULLSCROLLCURSOR"},
    {crHorScroll, "CX_HORSCROLLCURSOR"},     {crVerScroll, "CX_VERSCROLLCURSOR"},
    {crUpScroll, "CX_UPSCROLLCURSOR"},       {crRightScroll, "CX_RIGHTSCROLLCURSOR"},
    {crDownScroll, "CX_DOWNSCROLLCURSOR"},   {crLeftScroll, "CX_LEFTSCROLLCURSOR"},
    {crcxRemove, "CX_REMOVECURSOR"},         {crcxVertSize, "CX_VERTSIZECURSOR"},
    {crcxHorzSize, "CX_HORZSIZECURSOR"},     {crcxMultiDrag, "CX_MULTIDRAGCURSOR"},
    {crcxNoDrop, "CX_NODROPCURSOR"},         {crcxDrag, "CX_DRAGCURSOR"},
    {crcxColorPicker, "CX_COLORPICKERCURSOR"},
};

// The cursor pictures are 32 x 32; the hot spot is the centre, except for the arrow-shaped
// drag cursors, whose tip is the top-left pixel.
HCURSOR LoadControlCursor(const char* name, bool arrowTip) {
  if (!ResourceExists(name, RT_CURSOR_NAME)) return nullptr;
  return LoadCursorResource(name, arrowTip ? 0 : 16, arrowTip ? 0 : 16);
}

void StartControls() {
  cxcontrols_internal::RegisterControlResources();
  for (const TCursorResource& c : kCursors) {
    bool arrow = c.Id == crDragCopy || c.Id == crcxMultiDrag || c.Id == crcxNoDrop || c.Id == crcxDrag ||
                 c.Id == crcxRemove || c.Id == crcxColorPicker;
    if (HCURSOR h = LoadControlCursor(c.Name, arrow)) Screen->SetCursors(c.Id, h);
  }
  Screen->SetCursors(crcxHandPoint, LoadCursor(nullptr, IDC_HAND));
}

}  // namespace

void FinalizeCxControlsServices() {
  // Leftover tracking timers belong to callers that never ended their tracking; they are
  // freed here so that the rest of the shut-down still runs.
  if (gTrackingTimers) {
    while (!gTrackingTimers->empty()) {
      TMouseTrackingTimer* t = gTrackingTimers->back();
      gTrackingTimers->pop_back();
      t->Free();
    }
    gTrackingTimers.reset();
  }
  cxcontrols_internal::FreeSettingsController();
  gTimerWindow.reset();
  gActiveTimers.reset();
  gSharedWindow.reset();
}

void InitializeCxControls() {
  InitUnit("cxControls", [] {
    InitializeForms();
    InitializeCxLookAndFeelPainters();
    StartControls();
  }, [] { FinalizeCxControlsServices(); });
}

// ---- popup window base ---------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxPopupWindow)

TcxPopupWindow::TcxPopupWindow(TComponent* owner) : TForm(owner) {
  SetBorderStyle(bsNone);
  SetDefaultMonitor(dmDesktop);
  SetFormStyle(fsStayOnTop);
  formCanvas_ = std::make_unique<TcxCanvas>(Canvas());
}

TcxPopupWindow::~TcxPopupWindow() = default;

Integer TcxPopupWindow::FrameLineWidth(Integer) {
  switch (frameStyle_) {
    case 1:
    case 2: return 1;
    case 3: return 2;
    default: return 0;
  }
}

Integer TcxPopupWindow::FrameExtent(Integer side) { return FrameLineWidth(side) + frameSpacing_; }

void TcxPopupWindow::AdjustClientBounds(TRect& r) {
  r = ClientRect();
  r.Left += FrameExtent(0);
  r.Top += FrameExtent(1);
  r.Right -= FrameExtent(2);
  r.Bottom -= FrameExtent(3);
}

TRect TcxPopupWindow::GetAnchorScreenBounds() {
  if (!anchorParent_) return anchorBounds_;
  return TRect(anchorParent_->ClientToScreen(anchorBounds_.TopLeft()),
               anchorParent_->ClientToScreen(anchorBounds_.BottomRight()));
}

void TcxPopupWindow::InitFont() {
  if (anchorParent_) Font()->Assign(anchorParent_->Font());
}

TPoint TcxPopupWindow::CalculatePlacement() {
  TRect o = GetAnchorScreenBounds();
  Integer w = Width(), h = Height();
  Byte horz = horzAlignment_, vert = vertAlignment_;
  TPoint p, a;
  auto place = [&] {
    if (horz == 1) p.X = a.X = (o.Left + o.Right - w) / 2;
    if (vert == 1) p.Y = a.Y = (o.Top + o.Bottom - h) / 2;
    if (openDirection_ == 0) {
      if (horz == 0) { p.X = o.Left - w; a.X = o.Left; }
      if (horz == 2) p.X = a.X = o.Right;
      if (vert == 0) p.Y = a.Y = o.Top;
      if (vert == 2) { p.Y = o.Bottom - h; a.Y = o.Bottom; }
    } else {
      if (horz == 0) p.X = a.X = o.Left;
      if (horz == 2) { p.X = o.Right - w; a.X = o.Right; }
      if (vert == 0) { p.Y = o.Top - h; a.Y = o.Top; }
      if (vert == 2) p.Y = a.Y = o.Bottom;
    }
  };
  place();
  TRect r;
  MonitorWorkAreaAt(a, r);
  if (openDirection_ == 0) {
    Integer before = o.Left - r.Left, after = r.Right - o.Right;
    if (horz == 0 && p.X < r.Left && before <= after) horz = 2;
    else if (horz == 2 && p.X + w > r.Right && before > after) horz = 0;
  } else {
    Integer before = o.Top - r.Top, after = r.Bottom - o.Bottom;
    if (vert == 0 && p.Y < r.Top && before <= after) vert = 2;
    else if (vert == 2 && p.Y + h > r.Bottom && before > after) vert = 0;
  }
  place();
  if (openDirection_ == 1 || horz == 1) {
    if (p.X + w > r.Right) p.X = r.Right - w;
    if (p.X < r.Left) p.X = r.Left;
  }
  if (openDirection_ == 0 || vert == 1) {
    if (p.Y + h > r.Bottom) p.Y = r.Bottom - h;
    if (p.Y < r.Top) p.Y = r.Top;
  }
  return p;
}

void TcxPopupWindow::SizeToContent() {
  if (!sizeToChildren_) return;
  Integer right = 0, bottom = 0;
  Integer dx = FrameExtent(0), dy = FrameExtent(1);
  for (Integer i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    right = std::max(right, c->Left() + c->Width());
    bottom = std::max(bottom, c->Top() + c->Height());
    c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
  }
  if (right != 0 || ControlCount() > 0) {
    SetWidth(dx + right + FrameExtent(2));
    SetHeight(dy + bottom + FrameExtent(3));
  }
}

void TcxPopupWindow::MoveChildrenBack() {
  Integer dx = FrameExtent(0), dy = FrameExtent(1);
  for (Integer i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    c->SetBounds(c->Left() - dx, c->Top() - dy, c->Width(), c->Height());
  }
}

void TcxPopupWindow::SetFrameStyle(Byte v) {
  MoveChildrenBack();
  frameStyle_ = v;
}

void TcxPopupWindow::Paint() {
  TForm::Paint();
  DrawFrame();
}

void TcxPopupWindow::DrawFrame() {
  TRect r(0, 0, Width(), Height());
  switch (frameStyle_) {
    case 1: formCanvas_->DrawFrameSides(r, frameLineColor_); break;
    case 2: formCanvas_->DrawBevelEdge(r, false, false); break;
    case 3:
      formCanvas_->DrawBevelEdge(r, false, true);
      formCanvas_->DrawBevelEdge(TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1), false, false);
      break;
    default: break;
  }
}

void TcxPopupWindow::CloseUp() { Hide(); }

void TcxPopupWindow::Popup() {
  InitFont();
  SizeToContent();
  TPoint p = CalculatePlacement();
  SetLeft(p.X);
  SetTop(p.Y);
  Show();
}

void TcxPopupWindow::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ACTIVATE: {
      TForm::WndProc(m);
      if (LOWORD(m.WParam) != WA_INACTIVE) {
        lastActiveWindow_ = reinterpret_cast<HWND>(m.LParam);
        if (lastActiveWindow_) SendMessage(lastActiveWindow_, WM_NCACTIVATE, 1, 0);
      }
      return;
    }
    case WM_ACTIVATEAPP:
      DefaultHandler(m);
      if (m.WParam == 0) {
        if (lastActiveWindow_ && IsWindow(lastActiveWindow_)) SendMessage(lastActiveWindow_, WM_NCACTIVATE, 0, 0);
        CloseUp();
      }
      return;
    default: TForm::WndProc(m);
  }
}

void TcxPopupWindow::Deactivate() {
  TForm::Deactivate();
  CloseUp();
}

void TcxPopupWindow::CMVisibleChanged(TMessage& m) {
  TForm::CMVisibleChanged(m);
  VisibilityChanged();
}

void RegisterFoundationControlResources();

void cxcontrols_internal::RegisterControlResources() { RegisterFoundationControlResources(); }
