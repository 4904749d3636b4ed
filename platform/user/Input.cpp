// Mouse and keyboard input: turning backend input into messages with hit testing, capture,
// double clicks, key states, mouse-leave tracking and drag detection.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "rtl/Clock.h"
#include "user/WinInternal.h"

namespace {

struct TInputState {
  BYTE async[256] = {};
  BYTE sync[256] = {};
  POINT cursor{0, 0};
  HWND capture = nullptr;
  UINT doubleClickTime = 500;
  // The last button press, for double clicks.
  int lastButton = -1;
  HWND lastWnd = nullptr;
  uint64_t lastTime = 0;
  POINT lastPoint{0, 0};
  bool lastWasDouble = false;
  bool lastNc = false;
  // TrackMouseEvent.
  HWND tracked = nullptr;
  DWORD trackFlags = 0;
  HWND lastMoveWnd = nullptr;
  LRESULT lastMoveHit = HTNOWHERE;
  bool stale = false;  // windows changed under the pointer since the last move
};

TInputState& I() {
  static TInputState s;
  return s;
}

const UINT kDown[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
const UINT kUp[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
const UINT kDbl[3] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
const int kVk[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};

void SetKey(BYTE* table, int vk, bool down) {
  if (vk < 0 || vk > 255) return;
  if (down) {
    if (!(table[vk] & 0x80)) table[vk] ^= 1;  // toggled on each press
    table[vk] |= 0x80;
  } else {
    table[vk] &= BYTE(~0x80);
  }
}

// Left/right variants keep the generic key in step.
int GenericOf(int vk) {
  switch (vk) {
    case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU: case VK_RMENU: return VK_MENU;
  }
  return -1;
}

// The target of mouse input at a screen point: the capture window, or the window under the
// point with its hit-test code.
HWND MouseTarget(POINT screen, LRESULT* hit) {
  auto& s = I();
  if (s.capture && wm::Valid(s.capture)) {
    *hit = HTCLIENT;
    return s.capture;
  }
  s.capture = nullptr;
  HWND w = wm::HitTestScreen(screen, hit);
  if (w && !wm::IsEnabledDeep(w)) *hit = HTERROR;
  return w;
}

MSG MakeMouseMsg(HWND w, UINT clientMsg, LRESULT hit, POINT screen, WPARAM extraKeys) {
  MSG m;
  m.hwnd = w;
  m.time = GetTickCount();
  m.pt = screen;
  bool client = hit == HTCLIENT;
  if (client) {
    POINT p = screen;
    ScreenToClient(w, &p);
    m.message = clientMsg;
    m.wParam = wm::MouseKeyFlags() | extraKeys;
    m.lParam = MAKELPARAM(WORD(p.X), WORD(p.Y));
  } else {
    m.message = clientMsg - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    m.wParam = WPARAM(hit);
    m.lParam = MAKELPARAM(WORD(screen.X), WORD(screen.Y));
  }
  return m;
}

bool SendSetCursor(HWND w, LRESULT hit, UINT mouseMsg) {
  if (!w) {
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    return false;
  }
  wm::Send(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(WORD(SHORT(hit)), WORD(mouseMsg)));
  return true;
}

void LeaveTracked(HWND now, LRESULT hit) {
  auto& s = I();
  if (!s.tracked) return;
  if (!wm::Valid(s.tracked)) {
    s.tracked = nullptr;
    return;
  }
  bool nc = (s.trackFlags & TME_NONCLIENT) != 0;
  bool still = now == s.tracked && (nc ? hit != HTCLIENT : hit == HTCLIENT);
  if (still) return;
  HWND t = s.tracked;
  s.tracked = nullptr;
  PostMessage(t, nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
}

}  // namespace

namespace wm {

void SetAsyncKey(int vk, bool down) {
  SetKey(I().async, vk, down);
  int g = GenericOf(vk);
  if (g >= 0) {
    bool any = down;
    if (!down) {
      for (int v : {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU})
        if (GenericOf(v) == g && v != vk && (I().async[v] & 0x80)) any = true;
    }
    SetKey(I().async, g, any);
  }
}

void ApplySyncKey(int vk, bool down) {
  SetKey(I().sync, vk, down);
  int g = GenericOf(vk);
  if (g >= 0) SetKey(I().sync, g, down);
}

WPARAM MouseKeyFlags() {
  auto& a = I().async;
  WPARAM f = 0;
  if (a[VK_LBUTTON] & 0x80) f |= MK_LBUTTON;
  if (a[VK_RBUTTON] & 0x80) f |= MK_RBUTTON;
  if (a[VK_MBUTTON] & 0x80) f |= MK_MBUTTON;
  if (a[VK_SHIFT] & 0x80) f |= MK_SHIFT;
  if (a[VK_CONTROL] & 0x80) f |= MK_CONTROL;
  return f;
}

void SetCaptureInternal(HWND w) { I().capture = w; }

void UpdateCursorAt(POINT screen) {
  LRESULT hit;
  HWND w = MouseTarget(screen, &hit);
  if (I().capture) return;
  SendSetCursor(w, hit, WM_MOUSEMOVE);
}

void MouseTrackingMove(HWND w, LRESULT hit) { LeaveTracked(w, hit); }

void MarkMouseStale() { I().stale = true; }

void RefreshStaleMouse() {
  auto& s = I();
  if (!s.stale) return;
  s.stale = false;
  if (s.capture) return;
  // A window appeared, went away or moved under a resting pointer: the window now under it
  // hears a move, as if the pointer had moved.
  LRESULT hit;
  HWND w = HitTestScreen(s.cursor, &hit);
  if (w == s.lastMoveWnd && hit == s.lastMoveHit) return;
  s.lastMoveWnd = nullptr;
  InputMouseMove(s.cursor);
}

}  // namespace wm

// ---- backend input -------------------------------------------------------------------------

void InputMouseMove(POINT screen) {
  auto& s = I();
  // A report of the same position is no movement.
  if (s.cursor == screen && s.lastMoveWnd && wm::Valid(s.lastMoveWnd) && !s.stale) return;
  s.cursor = screen;
  LRESULT hit;
  HWND w = MouseTarget(screen, &hit);
  LeaveTracked(w, hit);
  s.lastMoveWnd = w;
  s.lastMoveHit = hit;
  if (!w) return;
  if (!s.capture) SendSetCursor(w, hit, WM_MOUSEMOVE);
  if (!wm::Valid(w) || hit == HTERROR) return;
  wm::PostInput(MakeMouseMsg(w, WM_MOUSEMOVE, hit, screen, 0), -1, false);
}

void InputMouseButton(int button, bool down, POINT screen) {
  if (button < 0 || button > 2) return;
  auto& s = I();
  s.cursor = screen;
  wm::SetAsyncKey(kVk[button], down);
  LRESULT hit;
  HWND w = MouseTarget(screen, &hit);
  if (!w) return;
  if (!down) {
    if (hit == HTERROR) {
      wm::ApplySyncKey(kVk[button], false);
      return;
    }
    wm::PostInput(MakeMouseMsg(w, kUp[button], hit, screen, 0), kVk[button], false);
    return;
  }
  // Activation by click: the clicked window decides through WM_MOUSEACTIVATE.
  HWND top = wm::TopLevelOf(w);
  bool eat = false;
  if (!s.capture && hit != HTERROR && top && top != GetActiveWindow() && wm::CanActivate(top)) {
    LRESULT ma = wm::Send(w, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                          MAKELPARAM(WORD(SHORT(hit)), WORD(kDown[button])));
    if (ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT || ma == 0) {
      if (wm::Valid(top)) wm::ActivateWindow(top, WA_CLICKACTIVE);
    }
    eat = ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT;
  }
  if (!wm::Valid(w)) return;
  if (!s.capture) SendSetCursor(w, hit, kDown[button]);
  if (!wm::Valid(w) || hit == HTERROR || eat) {
    wm::ApplySyncKey(kVk[button], true);
    return;
  }
  // Double click: same button and window, within the time and the double-click rectangle.
  uint64_t now = Clock().TickCount();
  bool nc = hit != HTCLIENT;
  bool wantsDbl = nc || (w->cls && (w->cls->wc.style & CS_DBLCLKS));
  int cx = GetSystemMetrics(SM_CXDOUBLECLK), cy = GetSystemMetrics(SM_CYDOUBLECLK);
  bool dbl = wantsDbl && !s.lastWasDouble && s.lastButton == button && s.lastWnd == w &&
             s.lastNc == nc && now - s.lastTime <= s.doubleClickTime &&
             std::abs(screen.X - s.lastPoint.X) <= cx / 2 && std::abs(screen.Y - s.lastPoint.Y) <= cy / 2;
  s.lastButton = button;
  s.lastWnd = w;
  s.lastTime = now;
  s.lastPoint = screen;
  s.lastWasDouble = dbl;
  s.lastNc = nc;
  // The button's own flag is in the key flags of its down message.
  WPARAM own = button == 0 ? MK_LBUTTON : button == 1 ? MK_RBUTTON : MK_MBUTTON;
  wm::PostInput(MakeMouseMsg(w, dbl ? kDbl[button] : kDown[button], hit, screen, own), kVk[button], true);
}

void InputMouseWheel(int delta, POINT screen, bool horizontal) {
  auto& s = I();
  s.cursor = screen;
  HWND w = GetFocus();
  if (!w) w = GetActiveWindow();
  if (!w) return;
  MSG m;
  m.hwnd = w;
  m.message = horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL;
  m.wParam = MAKEWPARAM(WORD(wm::MouseKeyFlags()), WORD(SHORT(delta)));
  m.lParam = MAKELPARAM(WORD(screen.X), WORD(screen.Y));
  m.time = GetTickCount();
  m.pt = screen;
  wm::PostInput(m, -1, false);
}

void InputKey(int vk, bool down, bool repeat) {
  if (vk <= 0 || vk > 255) return;
  auto& s = I();
  bool wasDown = (s.async[vk] & 0x80) != 0;
  wm::SetAsyncKey(vk, down);
  HWND w = GetFocus();
  // Without a focus the active window gets the keys, as system keys.
  bool noFocus = !w;
  if (!w) w = GetActiveWindow();
  if (!w) {
    wm::ApplySyncKey(vk, down);
    return;
  }
  bool alt = (s.async[VK_MENU] & 0x80) != 0;
  bool ctrl = (s.async[VK_CONTROL] & 0x80) != 0;
  bool sys = noFocus || (alt && !ctrl) || vk == VK_F10 || (vk == VK_MENU);
  int generic = GenericOf(vk);
  MSG m;
  m.hwnd = w;
  m.message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  m.wParam = WPARAM(generic >= 0 ? generic : vk);
  LPARAM lp = 1;
  bool extended = vk == VK_INSERT || vk == VK_DELETE || vk == VK_HOME || vk == VK_END ||
                  vk == VK_PRIOR || vk == VK_NEXT || (vk >= VK_LEFT && vk <= VK_DOWN) ||
                  vk == VK_RCONTROL || vk == VK_RMENU || vk == VK_DIVIDE;
  if (extended) lp |= KF_EXTENDED_BIT;
  if (alt) lp |= KF_ALTDOWN_BIT;
  if (down ? (wasDown || repeat) : true) lp |= KF_REPEAT_BIT;
  if (!down) lp |= LPARAM(1) << 31;
  m.lParam = lp;
  m.time = GetTickCount();
  m.pt = s.cursor;
  wm::PostInput(m, vk, down);
}

// ---- capture and state queries -------------------------------------------------------------

HWND SetCapture(HWND wnd) {
  auto& s = I();
  HWND w = wm::Valid(wnd);
  HWND old = wm::Valid(s.capture);
  if (!w) return old;
  if (old == w) return old;
  s.capture = w;
  if (old) wm::Send(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(w));
  if (Backend()) Backend()->SetMouseCapture(true);
  return old;
}

BOOL ReleaseCapture() {
  auto& s = I();
  HWND old = wm::Valid(s.capture);
  s.capture = nullptr;
  if (Backend()) Backend()->SetMouseCapture(false);
  if (old) {
    wm::Send(old, WM_CAPTURECHANGED, 0, 0);
    // The window under the cursor gets a chance to set its cursor again.
    wm::UpdateCursorAt(s.cursor);
  }
  return TRUE;
}

HWND GetCapture() {
  auto& s = I();
  if (s.capture && !wm::Valid(s.capture)) s.capture = nullptr;
  return s.capture;
}

BOOL GetCursorPos(POINT* p) {
  if (!p) return FALSE;
  *p = I().cursor;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  I().cursor = {x, y};
  if (Backend()) Backend()->WarpMouse({x, y});
  InputMouseMove({x, y});
  return TRUE;
}

SHORT GetKeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  BYTE b = I().sync[vk];
  return SHORT(((b & 0x80) ? 0x8000 : 0) | (b & 1));
}

SHORT GetAsyncKeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  return SHORT((I().async[vk] & 0x80) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* state) {
  if (!state) return FALSE;
  memcpy(state, I().sync, 256);
  return TRUE;
}

BOOL SetKeyboardState(const BYTE* state) {
  if (!state) return FALSE;
  memcpy(I().sync, state, 256);
  return TRUE;
}

UINT GetDoubleClickTime() { return I().doubleClickTime; }

BOOL SetDoubleClickTime(UINT ms) {
  I().doubleClickTime = ms ? ms : 500;
  return TRUE;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme) {
  if (!tme || tme->cbSize != sizeof(TRACKMOUSEEVENT)) return FALSE;
  auto& s = I();
  if (tme->dwFlags & TME_QUERY) {
    tme->hwndTrack = s.tracked;
    tme->dwFlags = s.tracked ? (s.trackFlags | TME_LEAVE) : 0;
    return TRUE;
  }
  HWND w = wm::Valid(tme->hwndTrack);
  if (!w) return FALSE;
  if (tme->dwFlags & TME_CANCEL) {
    if (s.tracked == w) s.tracked = nullptr;
    return TRUE;
  }
  if (!(tme->dwFlags & TME_LEAVE)) return TRUE;
  s.tracked = w;
  s.trackFlags = tme->dwFlags & TME_NONCLIENT;
  // Already outside: the leave message comes at once.
  LRESULT hit;
  HWND now = wm::HitTestScreen(s.cursor, &hit);
  LeaveTracked(now, hit);
  return TRUE;
}

BOOL DragDetect(HWND wnd, POINT screen) {
  HWND w = wm::Valid(wnd);
  if (!w) return FALSE;
  int cx = GetSystemMetrics(SM_CXDRAG), cy = GetSystemMetrics(SM_CYDRAG);
  SetCapture(w);
  BOOL result = FALSE;
  MSG m;
  while (wm::Valid(w) && GetCapture() == w) {
    BOOL r = GetMessage(&m, nullptr, 0, 0);
    if (r == 0) {
      PostQuitMessage(int(m.wParam));
      break;
    }
    if (r < 0) break;
    if (m.message == WM_MOUSEMOVE) {
      if (std::abs(m.pt.X - screen.X) > cx || std::abs(m.pt.Y - screen.Y) > cy) {
        result = TRUE;
        break;
      }
      continue;
    }
    if (m.message == WM_LBUTTONUP || m.message == WM_RBUTTONUP ||
        (m.message == WM_KEYDOWN && m.wParam == WPARAM(VK_ESCAPE)))
      break;
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  if (wm::Valid(w) && GetCapture() == w) ReleaseCapture();
  return result;
}
