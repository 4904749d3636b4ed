// The painted scroll bars of TcxControl: the bars and the size grip, the settings controller
// that forwards changed system scroll-bar sizes, the refresh that settles the bars'
// visibility, wheel steps and the middle-button panning loop.
#include <algorithm>
#include <cstdlib>

#include "foundation/cxControls.h"
#include "foundation/cxControlsInternal.h"
#include "vcl/Resources.h"

namespace {

template <class F>
class TFinally {
 public:
  explicit TFinally(F f) : f_(std::move(f)) {}
  ~TFinally() { f_(); }

 private:
  F f_;
};

// Tells registered controls when the system's non-client metrics changed.
class TcxSettingsController {
 public:
  ~TcxSettingsController() { ReleaseWindow(); }
  void AddControl(TcxControl* c) {
    if (std::find(controls_.begin(), controls_.end(), c) != controls_.end()) return;
    controls_.push_back(c);
    if (window_ && !IsWindow(window_)) window_ = nullptr;
    if (!window_)
      window_ = AllocateHWnd([this](HWND w, UINT msg, WPARAM wp, LPARAM lp) { return HandleMessage(w, msg, wp, lp); });
  }
  void RemoveControl(TcxControl* c) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
    if (controls_.empty()) ReleaseWindow();
  }
  HWND Window() const { return window_; }

 private:
  void ReleaseWindow() {
    if (window_ && IsWindow(window_)) DeallocateHWnd(window_);
    window_ = nullptr;
  }
  LRESULT HandleMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_SETTINGCHANGE || wp != SPI_SETNONCLIENTMETRICS) return DefWindowProc(w, msg, wp, lp);
    try {
      std::vector<TcxControl*> list = controls_;
      for (TcxControl* c : list)
        if (std::find(controls_.begin(), controls_.end(), c) != controls_.end() && c->HandleAllocated())
          SendNotifyMessage(c->Handle(), CM_CXSYSTEMMETRICSCHANGED, 0, 0);
    } catch (...) {
      HandleControlException(nullptr);
    }
    return 0;
  }
  std::vector<TcxControl*> controls_;
  HWND window_ = nullptr;
};

std::unique_ptr<TcxSettingsController> gSettings;

TcxSettingsController* Settings() {
  if (!gSettings) gSettings = std::make_unique<TcxSettingsController>();
  return gSettings.get();
}

}  // namespace

void cxcontrols_internal::FreeSettingsController() { gSettings.reset(); }

// ---- the parts -----------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxControlScrollBar)

TcxControlScrollBar::TcxControlScrollBar(TComponent* owner) : TcxScrollBar(owner) {
  SetColor(clBtnFace);
  ControlStyle() -= csFramed;
  ControlStyle() += csNoDesignVisible;
  SetTabStop(false);
  SetVisible(false);
  if (auto* control = dynamic_cast<TcxControl*>(owner)) LookAndFeel()->AttachToMaster(control->LookAndFeel());
}

void TcxControlScrollBar::ApplyPendingState() {
  if (pending_.Visible) {
    SetScrollParams(pending_.Min, pending_.Max, pending_.Position, pending_.PageSize, true);
    SetSmallChange(TScrollBarInc(pending_.SmallChange));
    SetLargeChange(TScrollBarInc(pending_.LargeChange));
  }
  SetEnabled(pending_.Enabled);
  SetVisible(pending_.Visible);
}

void TcxControlScrollBar::FocusOwnerControl() {
  TWinControl* parent = Parent();
  if (!parent) return;
  if (auto* control = dynamic_cast<TcxControl*>(parent)) {
    if (control->FocusesOnScrollBarClick(this)) control->SetFocus();
  } else if (parent->CanFocus()) {
    parent->SetFocus();
  }
}

void TcxControlScrollBar::WndProc(TMessage& m) {
  if (m.Msg == WM_LBUTTONDOWN) {
    TWeakRef<TControl> self(this);
    FocusOwnerControl();
    if (!self) return;
  } else if (m.Msg == CM_DESIGNHITTEST) {
    m.Result = 1;
    return;
  }
  TcxScrollBar::WndProc(m);
}

KORVAN_IMPLEMENT_CLASS(TcxSizeGrip)

TcxSizeGrip::TcxSizeGrip(TComponent* owner) : TCustomControl(owner) {
  SetColor(clBtnFace);
  ControlStyle() += csNoDesignVisible;
}

void TcxSizeGrip::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

// ---- creating and placing the parts --------------------------------------------------------

void TcxControl::CreateScrollParts() {
  if (!WantsScrollBars() || sizeGrip_) return;
  hBar_ = new TcxControlScrollBar(this);
  hBar_->SetKind(sbHorizontal);
  hBar_->OnScroll = [this](TObject* s, TScrollCode code, Integer& pos) { HandleBarScroll(s, code, pos); };
  vBar_ = new TcxControlScrollBar(this);
  vBar_->SetKind(sbVertical);
  vBar_->OnScroll = [this](TObject* s, TScrollCode code, Integer& pos) { HandleBarScroll(s, code, pos); };
  sizeGrip_ = new TcxSizeGrip(this);
  sizeGrip_->SetVisible(false);
  Settings()->AddControl(this);
}

void TcxControl::DestroyScrollParts() {
  if (!sizeGrip_) return;
  if (gSettings) gSettings->RemoveControl(this);
  FreeAndNil(sizeGrip_);
  FreeAndNil(vBar_);
  FreeAndNil(hBar_);
}

void TcxControl::SyncScrollPartsExistence() {
  if (WantsScrollBars()) {
    CreateScrollParts();
    if (HandleAllocated()) ParentScrollParts();
  } else {
    DestroyScrollParts();
  }
}

void TcxControl::ParentScrollParts() {
  if (!WantsScrollBars() || !sizeGrip_) return;
  hBar_->SetParent(this);
  vBar_->SetParent(this);
  sizeGrip_->SetParent(this);
}

bool TcxControl::IsOwnScrollPart(TControl* c) {
  return c && (c == static_cast<TControl*>(hBar_) || c == static_cast<TControl*>(vBar_) ||
               c == static_cast<TControl*>(sizeGrip_));
}

void TcxControl::RaiseScrollParts() {
  if (hBar_) hBar_->BringToFront();
  if (vBar_) vBar_->BringToFront();
  if (sizeGrip_) sizeGrip_->BringToFront();
}

void TcxControl::HScrollBarRect(TRect& r) {
  ContentBounds(r);
  r.Top = r.Bottom;
  r.Bottom = r.Bottom + hBar_->Height();
}

void TcxControl::VScrollBarRect(TRect& r) {
  ContentBounds(r);
  r.Left = r.Right;
  r.Right = r.Right + vBar_->Width();
}

void TcxControl::SizeGripRect(TRect& r) {
  r = TRect(vBar_->Left(), hBar_->Top(), vBar_->Left() + vBar_->Width(), hBar_->Top() + hBar_->Height());
}

void TcxControl::PlaceScrollParts() {
  TRect r;
  if (hBar_ && hBar_->Visible()) {
    HScrollBarRect(r);
    hBar_->SetBoundsRect(r);
  }
  if (vBar_ && vBar_->Visible()) {
    VScrollBarRect(r);
    vBar_->SetBoundsRect(r);
  }
  if (sizeGrip_ && sizeGrip_->Visible()) {
    SizeGripRect(r);
    sizeGrip_->SetBoundsRect(r);
  }
}

void TcxControl::ChangeScrollBarsSetting(TScrollStyle v) {
  if (v == scrollBars_) return;
  scrollBars_ = v;
  HandleBoundsChange();
}

// ---- scroll data and the refresh -----------------------------------------------------------

void TcxControl::StoreScrollBarParams(TScrollBarKind kind, Integer min, Integer max, Integer smallChange,
                                      Integer pageSize, Integer position, bool allowed, bool hideWhenFits) {
  TcxControlScrollBar* bar = kind == sbHorizontal ? hBar_ : vBar_;
  if (!bar) return;
  TcxPendingBarState s = bar->Pending();
  bool permitted = kind == sbHorizontal ? (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth)
                                        : (scrollBars_ == ssVertical || scrollBars_ == ssBoth);
  s.Allowed = allowed && permitted;
  s.HideWhenFits = hideWhenFits;
  if (!s.Allowed) {
    s.Visible = false;
  } else if (min > max || Int64(pageSize) >= Int64(max) - min + 1 || position < min) {
    if (hideWhenFits) {
      s.Visible = false;
    } else {
      s.Enabled = false;
      s.Visible = true;
    }
  } else {
    s.Min = min;
    s.Max = max;
    s.Position = position;
    s.PageSize = pageSize;
    s.SmallChange = Word(smallChange);
    // The page step of the bar is 16 bits wide and must stay a positive step: a page of
    // 32768 or more is clamped to the largest step instead of wrapping to a negative one.
    s.LargeChange = Word(std::clamp<Integer>(pageSize, 1, 32767));
    s.Enabled = true;
    s.Visible = true;
  }
  bar->Pending() = s;
}

bool TcxControl::IsHScrollBarShown() {
  if (!WantsScrollBars() || !hBar_) return false;
  return computingScrollLayout_ ? hBar_->Pending().Visible : hBar_->Visible();
}

bool TcxControl::IsVScrollBarShown() {
  if (!WantsScrollBars() || !vBar_) return false;
  return computingScrollLayout_ ? vBar_->Pending().Visible : vBar_->Visible();
}

void TcxControl::BeginScrollBarsUpdate() {
  if (barsLockCount_ == 0) barsRefreshPending_ = false;
  ++barsLockCount_;
}

void TcxControl::EndScrollBarsUpdate() {
  if (barsLockCount_ < 1) return;
  if (--barsLockCount_ == 0 && barsRefreshPending_) RefreshScrollBars();
}

void TcxControl::HideBothBarsWhenPossible() {
  TcxPendingBarState& h = hBar_->Pending();
  TcxPendingBarState& v = vBar_->Pending();
  auto candidate = [](const TcxPendingBarState& s) { return s.Visible && s.Enabled && s.HideWhenFits; };
  if (!candidate(h) || !candidate(v)) return;
  auto fits = [](const TcxPendingBarState& s, Integer otherThickness) {
    return Int64(otherThickness) + s.PageSize >= Int64(s.Max) - s.Min + 1;
  };
  bool hFits = CanHideBothScrollBars(sbHorizontal) && fits(h, vBar_->Width());
  bool vFits = CanHideBothScrollBars(sbVertical) && fits(v, hBar_->Height());
  if (!hFits || !vFits) return;
  TcxPendingBarState hs = h, vs = v;
  StoreScrollBarParams(sbHorizontal, hs.Min, hs.Max, hs.SmallChange, hs.PageSize + vBar_->Width(), hs.Position,
                       hs.Allowed, hs.HideWhenFits);
  StoreScrollBarParams(sbVertical, vs.Min, vs.Max, vs.SmallChange, vs.PageSize + hBar_->Height(), vs.Position,
                       vs.Allowed, vs.HideWhenFits);
}

void TcxControl::ComputeScrollLayout() {
  if (computingScrollLayout_) return;
  computingScrollLayout_ = true;
  TFinally done([this] { computingScrollLayout_ = false; });
  hBar_->Pending().Visible = false;
  vBar_->Pending().Visible = false;
  // Adding a bar never removes the need for the other one, so starting with both hidden
  // this settles after at most three rounds; the limit only guards a descendant whose
  // computation alternates, which then ends with the visibility of its last round.
  for (int round = 0; round < 8; ++round) {
    bool h = IsHScrollBarShown(), v = IsVScrollBarShown();
    ComputeScrollBarData();
    if (h == IsHScrollBarShown() && v == IsVScrollBarShown()) break;
  }
  HideBothBarsWhenPossible();
}

void TcxControl::RefreshScrollBars() {
  if (!WantsScrollBars() || !hBar_ || !vBar_) return;
  if (barsLockCount_ >= 1) {
    barsRefreshPending_ = true;
    return;
  }
  bool outermost = !refreshingBars_;
  if (outermost) {
    startHorzVisible_ = hBar_->Visible();
    startVertVisible_ = vBar_->Visible();
    seenBarStates_.assign(1, {startHorzVisible_, startVertVisible_});
  }
  bool nested = refreshingBars_;
  refreshingBars_ = true;
  TcxObjectLinkGuard link(this);
  TFinally restore([&] {
    if (!link.Alive()) return;
    if (outermost) {
      replayingStartState_ = false;
      seenBarStates_.clear();
    }
    refreshingBars_ = nested;
  });
  bool hBefore = hBar_->Visible(), vBefore = vBar_->Visible();
  if (!replayingStartState_) {
    ComputeScrollLayout();
    std::pair<bool, bool> pending{hBar_->Pending().Visible, vBar_->Pending().Visible};
    // A nested refresh that comes back to a visibility this refresh has already had (the
    // start, or any state applied since) would alternate for ever: the bar that keeps
    // toggling stays visible but disabled instead.
    std::pair<bool, bool> current{hBefore, vBefore};
    replayingStartState_ = nested && pending != current &&
                           std::find(seenBarStates_.begin(), seenBarStates_.end(), pending) != seenBarStates_.end();
    if (replayingStartState_) {
      if (hBar_->Visible() != pending.first) {
        hBar_->SetEnabled(false);
        hBar_->SetVisible(true);
      }
      if (vBar_->Visible() != pending.second) {
        vBar_->SetEnabled(false);
        vBar_->SetVisible(true);
      }
    } else {
      hBar_->ApplyPendingState();
      vBar_->ApplyPendingState();
      seenBarStates_.push_back(pending);
    }
  }
  if (hBar_->Visible() != hBefore || vBar_->Visible() != vBefore) {
    HandleBoundsChange();
  } else {
    sizeGrip_->SetVisible(hBar_->Visible() && vBar_->Visible());
    PlaceScrollParts();
    if (KeepsScrollPartsOnTop()) RaiseScrollParts();
  }
}

// ---- scrolling by wheel and steps ----------------------------------------------------------

void TcxControl::HandleBarScroll(TObject* sender, TScrollCode code, Integer& position) {
  auto* bar = static_cast<TcxScrollBar*>(sender);
  PanScroll(bar->Kind(), code, position);
}

void TcxControl::ScrollContentStep(Integer direction) {
  if (direction == 0 || !WantsScrollBars() || !hBar_) return;
  TScrollBarKind kind = direction <= 2 ? sbHorizontal : sbVertical;
  TScrollCode code = (direction == 1 || direction == 3) ? scLineUp : scLineDown;
  Integer position = (kind == sbHorizontal ? hBar_ : vBar_)->Position();
  PanScroll(kind, code, position);
  Update();
}

bool TcxControl::DoMouseWheel(TShiftState shift, Integer delta, TPoint mousePos) {
  TcxObjectLinkGuard link(this);
  if (TCustomControl::DoMouseWheel(shift, delta, mousePos)) return true;
  if (!link.Alive()) return true;
  Integer kind = WheelScrollKind();
  if (kind == 0) return false;
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  Integer count = Integer(lines);
  for (Integer i = 0; i < count && link.Alive(); ++i) {
    if (kind == 2) ScrollContentStep(delta >= 0 ? 3 : 4);
    else ScrollContentStep(delta >= 0 ? 1 : 2);
  }
  return true;
}

// ---- middle-button panning -----------------------------------------------------------------

TCursor TcxControl::PanningCursor(Integer direction) {
  switch (direction) {
    case 1: return crLeftScroll;
    case 2: return crRightScroll;
    case 3: return crUpScroll;
    case 4: return crDownScroll;
    default:
      if (IsHScrollBarShown() && IsVScrollBarShown()) return crFullScroll;
      return IsHScrollBarShown() ? crHorScroll : crVerScroll;
  }
}

void TcxControl::PanningDirection(const TPoint& p, const TPoint& anchor, Integer bitmapWidth, bool& moved,
                                  Integer& direction, Integer& speed) {
  bool h = IsHScrollBarShown(), v = IsVScrollBarShown();
  TRect zone(anchor.X - bitmapWidth / 2, anchor.Y - bitmapWidth / 2, anchor.X - bitmapWidth / 2 + bitmapWidth,
             anchor.Y - bitmapWidth / 2 + bitmapWidth);
  if (!h) {
    zone.Left = -0x40000000;
    zone.Right = 0x40000000;
  }
  if (!v) {
    zone.Top = -0x40000000;
    zone.Bottom = 0x40000000;
  }
  if (zone.Contains(p)) {
    direction = 0;
    speed = 0;
    return;
  }
  moved = true;
  Integer dx = p.X - anchor.X, dy = p.Y - anchor.Y, distance;
  if (h && (!v || std::abs(dx) > std::abs(dy))) {
    direction = dx < 0 ? 1 : 2;
    distance = std::abs(dx);
  } else {
    direction = dy < 0 ? 3 : 4;
    distance = std::abs(dy);
  }
  speed = std::min<Integer>((distance - bitmapWidth / 2) / 5 + 1, 12);
}

void TcxControl::RunPanningLoop() {
  bool h = IsHScrollBarShown(), v = IsVScrollBarShown();
  if ((!h && !v) || !HandleAllocated()) return;
  panning_ = true;
  bool moved = false;
  TPoint anchor;
  QueryCursorPos(anchor);
  const char* name = h && v ? "CX_FULLSCROLLBITMAP" : h ? "CX_HORSCROLLBITMAP" : "CX_VERSCROLLBITMAP";
  TBitmap bitmap;
  if (ResourceExists(name, RT_BITMAP_NAME)) LoadBitmapResource(&bitmap, name);
  else bitmap.SetSize(29, 29);
  Integer bw = bitmap.Width(), bh = bitmap.Height();
  HWND control = Handle();
  HWND anchorWnd = CreateWindowEx(WS_EX_TOPMOST, "STATIC", "", WS_POPUP, anchor.X - bw / 2, anchor.Y - bh / 2, bw, bh,
                                  control, nullptr, nullptr, nullptr);
  UINT_PTR timer = 0;
  TcxObjectLinkGuard link(this);
  TFinally cleanup([&] {
    if (GetCapture() == control) ReleaseCapture();
    if (timer) KillTimer(nullptr, timer);
    if (anchorWnd) DestroyWindow(anchorWnd);
    if (link.Alive()) {
      panning_ = false;
      Screen->SetCursor(crDefault);
    }
  });
  auto paintAnchor = [&] {
    if (!anchorWnd) return;
    HDC dc = GetDC(anchorWnd);
    BitBlt(dc, 0, 0, bw, bh, bitmap.Canvas()->Handle(), 0, 0, SRCCOPY);
    HRGN outline = CreateEllipticRgn(0, 0, bw + 1, bh + 1);
    HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_WINDOWTEXT));
    FrameRgn(dc, outline, brush, 1, 1);
    DeleteObject(brush);
    DeleteObject(outline);
    ReleaseDC(anchorWnd, dc);
  };
  if (anchorWnd) {
    SetWindowRgn(anchorWnd, CreateEllipticRgn(0, 0, bw + 1, bh + 1), FALSE);
    ShowWindow(anchorWnd, SW_SHOWNOACTIVATE);
    paintAnchor();
  }
  Integer direction = 0, speed = 1, ticks = 0;
  Screen->SetCursor(PanningCursor(direction));
  timer = SetTimer(nullptr, 0, 20, nullptr);
  SetCapture(control);
  TPoint last = anchor;
  while (GetCapture() == control) {
    MSG msg;
    BOOL got = GetMessage(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    if (msg.message == WM_PAINT && msg.hwnd == anchorWnd) {
      ValidateRect(anchorWnd, nullptr);
      paintAnchor();
      continue;
    }
    if (msg.message >= WM_LBUTTONDOWN && msg.message <= WM_MOUSEWHEEL && msg.message != WM_MOUSEMOVE &&
        msg.message != WM_MBUTTONUP)
      break;
    bool leave = false;
    switch (msg.message) {
      case WM_KEYDOWN:
      case WM_KEYUP:
        if (msg.wParam == VK_ESCAPE) leave = true;
        break;
      case WM_TIMER:
        if (msg.hwnd == nullptr && msg.wParam == timer) {
          ++ticks;
          if (speed < 13 && ticks % (13 - speed) == 0) ScrollContentStep(direction);
          if (!link.Alive()) return;
        }
        break;
      case WM_MOUSEMOVE: {
        TPoint p(SHORT(LOWORD(uintptr_t(msg.lParam))), SHORT(HIWORD(uintptr_t(msg.lParam))));
        ::ClientToScreen(msg.hwnd, &p);
        if (!(p == last)) {
          PanningDirection(p, anchor, bw, moved, direction, speed);
          Screen->SetCursor(PanningCursor(direction));
          last = p;
        }
        break;
      }
      case WM_MBUTTONUP:
        if (moved) leave = true;
        break;
      default: break;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
    if (leave || !link.Alive()) break;
  }
}
