// The interface between the window manager and the system that shows its windows: a
// headless backend for tests (backend/Headless.h) and an SDL2 backend for a real desktop
// (backend/Sdl.h). The window manager calls the backend; the backend reports input and
// window-system events back through the Input... functions below.
#pragma once

#include <vector>

#include "gdi/Surface.h"
#include "user/WinUser.h"

struct TMonitorInfo {
  RECT bounds;
  RECT work;
};

// What the backend needs to know about a top-level window.
struct TNativeWindowParams {
  RECT bounds;            // screen coordinates
  String title;
  bool framed = false;    // a normal application window (caption or sizing frame)
  bool activates = true;  // false: a popup that never takes activation
  bool topmost = false;
};

class TBackend {
 public:
  virtual ~TBackend() = default;

  // Native top-level windows. Create is called when the window is first shown.
  virtual void CreateNativeWindow(HWND wnd, const TNativeWindowParams& params) = 0;
  virtual void DestroyNativeWindow(HWND wnd) = 0;
  virtual void SetNativeBounds(HWND wnd, const RECT& bounds) = 0;
  virtual void ShowNativeWindow(HWND wnd, bool show, bool activate) = 0;
  virtual void SetNativeTitle(HWND wnd, const String& title) = 0;
  virtual void RaiseNativeWindow(HWND wnd) = 0;
  // Shows the pixels of a top-level window: pixels is the window's backing store, or the
  // screen framebuffer when something was drawn over the windows (then source is the
  // window's rectangle in it). dirty is in window coordinates.
  virtual void Present(HWND wnd, const TSurface& pixels, const RECT& source,
                       const RECT& dirty) = 0;

  // Blocks until input arrives or timeoutMs passes (-1: no timeout). Input found is
  // reported through the Input... functions before returning. Never busy-waits.
  virtual void WaitForEvents(int timeoutMs) = 0;
  // Reports input that has already arrived, without blocking.
  virtual void PollEvents() = 0;

  virtual void SetCursorImage(HCURSOR cursor) = 0;
  virtual void SetMouseCapture(bool captured) = 0;
  virtual void WarpMouse(POINT screen) = 0;

  virtual bool GetClipboardText(String& utf8) = 0;
  virtual void SetClipboardText(const String& utf8) = 0;

  // The monitors; the first one is the primary monitor.
  virtual std::vector<TMonitorInfo> Monitors() = 0;

  // MessageBeep: a sound of the given type (MB_ICON...), or nothing.
  virtual void Beep(UINT type) {}
};

// The backend in use (null until one is installed). The caller keeps ownership.
TBackend* Backend();
void SetBackend(TBackend* backend);

// ---- what backends report ------------------------------------------------------------------

constexpr int kMouseLeft = 0, kMouseRight = 1, kMouseMiddle = 2;

void InputMouseMove(POINT screen);
void InputMouseButton(int button, bool down, POINT screen);
void InputMouseWheel(int delta, POINT screen, bool horizontal = false);
// A key went down (repeat: held down) or up; vk is the virtual key code.
void InputKey(int vk, bool down, bool repeat = false);
// Text typed or committed by an input method (UTF-8). Text that belongs to the key just
// reported goes with it (TranslateMessage turns it into WM_CHAR); other text arrives as
// WM_CHAR messages of its own.
void InputText(const String& utf8);
// The native window system activated or deactivated one of our windows (null: another
// application became active).
void InputNativeActivate(HWND wnd);
void InputNativeClose(HWND wnd);
void InputNativeMoved(HWND wnd, POINT screenTopLeft);
void InputNativeResized(HWND wnd, SIZE size);
void InputNativeExposed(HWND wnd);
// The screen changed (size, work area or monitors).
void InputDisplayChanged();
