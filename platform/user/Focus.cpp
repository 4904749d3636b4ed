// Keyboard focus and window activation.
#include "user/WinInternal.h"

namespace {

struct TFocusState {
  HWND focus = nullptr;
  HWND active = nullptr;
  bool appActive = false;
};

TFocusState& F() {
  static TFocusState s;
  return s;
}

bool InTree(HWND root, HWND w) { return w && (w == root || IsChild(root, w)); }

void SendActivateApp(bool active, HWND except) {
  std::vector<HWND> tops = wm::Desktop()->children;
  for (HWND t : tops)
    if (wm::Valid(t) && t != except) wm::Send(t, WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
}

// The window to activate when `gone` stops being active: its owner when that can be, else
// the frontmost visible window that can.
HWND NextToActivate(HWND gone) {
  HWND o = gone ? gone->owner : nullptr;
  if (o && wm::Valid(o) && (o->style & WS_VISIBLE) && wm::CanActivate(o)) return o;
  for (HWND t : wm::Desktop()->children)
    if (t != gone && (t->style & WS_VISIBLE) && wm::CanActivate(t)) return t;
  return nullptr;
}

}  // namespace

namespace wm {

bool CanActivate(HWND top) {
  if (!top || !IsTopLevel(top) || top->messageOnly) return false;
  if (top->exStyle & WS_EX_NOACTIVATE) return false;
  if (top->style & WS_CHILD) return false;  // a child-style window without parent
  if (top->style & WS_DISABLED) return false;
  // A window on its way out (its owned windows go first) is not activated again.
  if (top->destroying) return false;
  return true;
}

void ActivateWindow(HWND top, WORD how) {
  auto& s = F();
  HWND old = Valid(s.active);
  if (old == top) return;
  if (top && (top->style & WS_VISIBLE) && !(top->exStyle & WS_EX_TOPMOST)) {
    HWND front = nullptr;
    for (HWND t : Desktop()->children)
      if (!(t->exStyle & WS_EX_TOPMOST) && (t->style & WS_VISIBLE)) {
        front = t;
        break;
      }
    if (front != top) SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  s.active = top;
  if (old) {
    Send(old, WM_NCACTIVATE, FALSE, 0);
    if (Valid(old)) Send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(top));
  }
  if (!top) {
    HWND f = Valid(s.focus);
    if (f) {
      s.focus = nullptr;
      Send(f, WM_KILLFOCUS, 0, 0);
    }
    if (s.appActive) {
      s.appActive = false;
      SendActivateApp(false, nullptr);
    }
    return;
  }
  if (!s.appActive) {
    s.appActive = true;
    SendActivateApp(true, nullptr);
  }
  if (!Valid(top) || s.active != top) return;
  Send(top, WM_NCACTIVATE, TRUE, 0);
  if (!Valid(top) || s.active != top) return;
  Send(top, WM_ACTIVATE, MAKEWPARAM(how, top->minimized ? 1 : 0), reinterpret_cast<LPARAM>(old));
  if (!Valid(top) || s.active != top) return;
  // The focus may not stay in a window that is no longer active.
  HWND f = Valid(s.focus);
  if (f && !InTree(top, f)) {
    s.focus = nullptr;
    Send(f, WM_KILLFOCUS, 0, 0);
  }
  if (top->hasNative && Backend()) Backend()->RaiseNativeWindow(top);
}

void OnWindowHidden(HWND w) {
  auto& s = F();
  if (Valid(s.active) && InTree(w, s.active)) {
    HWND next = NextToActivate(s.active);
    ActivateWindow(next, WA_ACTIVE);
  }
  if (Valid(s.focus) && IsTopLevel(w) && InTree(w, s.focus)) {
    HWND f = s.focus;
    s.focus = nullptr;
    Send(f, WM_KILLFOCUS, 0, 0);
  }
  HWND cap = GetCapture();
  if (cap && InTree(w, cap)) ReleaseCapture();
}

void OnWindowDestroyed(HWND w) {
  auto& s = F();
  HWND cap = GetCapture();
  if (cap && InTree(w, cap)) ReleaseCapture();
  if (Valid(s.focus) && InTree(w, s.focus)) {
    // Focus goes back to the parent when it still lives; else nowhere.
    HWND f = s.focus;
    s.focus = nullptr;
    Send(f, WM_KILLFOCUS, 0, 0);
  }
  if (Valid(s.active) && InTree(w, s.active)) {
    HWND next = NextToActivate(s.active);
    ActivateWindow(next, WA_ACTIVE);
  }
}

}  // namespace wm

HWND SetFocus(HWND wnd) {
  auto& s = F();
  HWND old = wm::Valid(s.focus);
  if (!wnd) {
    if (old) {
      s.focus = nullptr;
      wm::Send(old, WM_KILLFOCUS, 0, 0);
    }
    return old;
  }
  HWND w = wm::Valid(wnd);
  if (!w || w->messageOnly || !wm::IsEnabledDeep(w)) return nullptr;
  if (w == old) return old;
  HWND top = wm::TopLevelOf(w);
  if (top != wm::Valid(s.active)) {
    if (!wm::CanActivate(top)) {
      // Non-activating windows (popups) may still take the keyboard focus.
    } else {
      wm::ActivateWindow(top, WA_ACTIVE);
      if (!wm::Valid(w)) return old;
      if (wm::Valid(s.focus) == w) return old;
      old = wm::Valid(s.focus);
    }
  }
  if (old) {
    wm::Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(w), 0);
    if (!wm::Valid(w)) return old;
  }
  s.focus = w;
  wm::Send(w, WM_SETFOCUS, reinterpret_cast<WPARAM>(wm::Valid(old)), 0);
  return old;
}

HWND GetFocus() {
  auto& s = F();
  if (s.focus && !wm::Valid(s.focus)) s.focus = nullptr;
  return s.focus;
}

HWND SetActiveWindow(HWND wnd) {
  auto& s = F();
  HWND old = wm::Valid(s.active);
  HWND w = wm::Valid(wnd);
  if (!w) return old;
  HWND top = wm::TopLevelOf(w);
  if (!wm::CanActivate(top)) return old;
  wm::ActivateWindow(top, WA_ACTIVE);
  return old;
}

HWND GetActiveWindow() {
  auto& s = F();
  if (s.active && !wm::Valid(s.active)) s.active = nullptr;
  return s.active;
}

BOOL SetForegroundWindow(HWND wnd) { return SetActiveWindow(wnd) != nullptr || GetActiveWindow() == wnd; }

HWND GetForegroundWindow() { return F().appActive ? GetActiveWindow() : nullptr; }

void InputNativeActivate(HWND wnd) {
  HWND w = wm::Valid(wnd);
  if (w) {
    if (wm::CanActivate(w) && GetActiveWindow() != w) wm::ActivateWindow(w, WA_ACTIVE);
    return;
  }
  // Another application became active.
  wm::ActivateWindow(nullptr, WA_INACTIVE);
}
