// Internal state of the window manager, shared by the units of platform/user and by the
// backends. Other libraries use WinUser.h only.
#pragma once

#include <deque>
#include <memory>
#include <vector>

#include "gdi/Gdi.h"
#include "gdi/Surface.h"
#include "user/Backend.h"
#include "user/WinUser.h"

struct TWindowClass {
  String name;
  WNDCLASS wc;
};

struct TScrollBarState {
  SCROLLINFO info{sizeof(SCROLLINFO), 0, 0, 100, 0, 0, 0};
  bool shown = true;  // with the window style's bar bit
  UINT disabledArrows = ESB_ENABLE_BOTH;
};

constexpr uint32_t kWindowMagic = 0x57494E44;  // "WIND"

// A window's system menu: its entries (command, flags) in order.
struct HMENU__ {
  HMENU__();  // registers the menu as live (a freed menu's handle fails every call)
  ~HMENU__();
  HMENU__(const HMENU__&) = delete;
  HMENU__& operator=(const HMENU__&) = delete;
  struct TEntry {
    UINT command;
    UINT flags;
  };
  std::vector<TEntry> entries;
};

struct HWND__ {
  uint32_t magic = kWindowMagic;
  TWindowClass* cls = nullptr;
  WNDPROC proc = nullptr;
  TWindowHandler handler;  // AllocateHWnd windows
  String text;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;  // child: its parent; top-level: the desktop; message-only: root
  HWND owner = nullptr;
  std::vector<HWND> children;  // front (top of the z-order) first
  RECT rect;                   // parent's client coordinates (top-level: screen)
  RECT client;                 // window coordinates
  LONG_PTR userData = 0;
  LONG_PTR id = 0;
  HINSTANCE instance = nullptr;
  std::vector<std::pair<String, HANDLE>> props;
  std::vector<uint8_t> extra;  // cbWndExtra bytes
  HRGN windowRgn = nullptr;    // window coordinates
  // Painting state: the update region in window coordinates.
  HRGN update = nullptr;
  bool erasePending = false;
  bool ncPaintPending = false;
  bool internalPaint = false;
  bool inPaint = false;
  bool redrawOff = false;  // WM_SETREDRAW FALSE
  bool destroying = false;
  bool messageOnly = false;
  bool isDesktop = false;
  bool everShown = false;
  bool minimized = false;
  bool maximized = false;
  bool ncActive = false;  // the caption is drawn active
  TScrollBarState hbar, vbar;
  std::unique_ptr<HMENU__> systemMenu;  // made by GetSystemMenu
  // Top-level windows only: the backing store and the native window.
  std::unique_ptr<TSurface> surface;
  bool hasNative = false;
  bool presentPending = false;
  RECT dirty;  // window coordinates, pending presentation
};

namespace wm {

// Window validation: the object of a live window, or null.
HWND Valid(HWND wnd);
HWND Desktop();
HWND MessageRoot();
bool IsTopLevel(HWND w);  // parent is the desktop
HWND TopLevelOf(HWND w);  // the top-level window (or message-only root window) containing w
bool IsVisibleDeep(HWND w);
bool IsEnabledDeep(HWND w);
// Offsets: window origin of w in its top-level's window coordinates; in the screen.
POINT OriginInTop(HWND w);
POINT WindowOriginScreen(HWND w);
POINT ClientOriginScreen(HWND w);
RECT ClientRectInWindow(HWND w);
// Non-client metrics of a style.
RECT FrameInsets(DWORD style, DWORD exStyle, bool forClientCalc);
bool HasCaption(HWND w);
// The window under a screen point (asking WM_NCHITTEST), with its hit-test code.
HWND HitTestScreen(POINT screen, LRESULT* hit);

// Non-client area: default hit testing, frame drawing and mouse handling.
LRESULT NcHitTest(HWND w, POINT screen);
void NcPaint(HWND w);
bool NcMouseDown(HWND w, LRESULT hit, POINT screen);
// Scroll-bar parts in window coordinates.
RECT ScrollBarRect(HWND w, int bar);
void DrawScrollBar(HWND w, HDC windowDC, int bar);
// Key messages without text of their own get characters from the key (headless input);
// a backend that reports text separately turns this off.
void SetSynthesizeCharsFromKeys(bool on);

// Regions (owned handles; free with DeleteObject).
HRGN RectRgn(const RECT& r);
HRGN EmptyRgn();
bool RgnEmpty(HRGN r);
// The part of w that may be painted, in its top-level's window coordinates.
HRGN VisibleRegion(HWND w, bool clientOnly, bool clipChildren);

// Window procedure calls, with the call-window-procedure hooks.
LRESULT Send(HWND w, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CallProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam);

// Painting.
// childFrames: the frames of children in the area need painting too (something that
// covered them went away).
void InvalidateWindowRegion(HWND w, HRGN rgnInWindow, bool erase, bool frame, bool children,
                            bool childFrames = false);
bool NeedsPaint(HWND w);
HWND FindWindowToPaint(HWND filter);
void EnsureSurface(HWND top);
void MarkDirty(HWND top, const RECT& windowRect);
void PresentPending();
void PresentWindow(HWND top);
void PaintNcAndErase(HWND w, bool children);  // the RDW_ERASENOW part
void DrawDefaultFrame(HWND w, HDC windowDC);
TSurface& ScreenBuffer();
void RecomposeScreen();
bool ScreenOverlayActive();

// Queue.
void PostInput(const MSG& msg, int vk, bool down);
void RemoveMessagesFor(HWND w);
DWORD MessageTime();

// Focus, activation, capture.
void OnWindowHidden(HWND w);
void OnWindowDestroyed(HWND w);
void ActivateWindow(HWND top, WORD how);
bool CanActivate(HWND top);
void SetCaptureInternal(HWND w);

// Timers and caret: what the queue calls.
// The time until the next timer or caret blink is due (ms, -1 none); fires caret blinks.
int NextTimerDue(uint64_t now);
bool TakeTimerMessage(MSG* msg, HWND filter, UINT min, UINT max, bool remove);
void KillTimersOf(HWND w);
void CaretBlinkTick(uint64_t now);
int CaretNextBlink(uint64_t now);  // ms until the caret blinks, -1 when it does not
void CaretHideForPaint(HWND w);
void CaretRestoreAfterPaint(HWND w);
void CaretOnDestroy(HWND w);

// Hooks.
bool HasHooks(int kind);
LRESULT CallHooks(int kind, int code, WPARAM wParam, LPARAM lParam);

// Cursor: sends WM_SETCURSOR or applies the class cursor.
void UpdateCursorAt(POINT screen);

// The image of a cursor made from pixels (false for the standard cursors).
bool CursorImage(HCURSOR cursor, int* width, int* height, const uint32_t** pixels, POINT* hot);

// Keyboard state.
void SetAsyncKey(int vk, bool down);
void ApplySyncKey(int vk, bool down);
WPARAM MouseKeyFlags();

// Screen.
RECT ScreenRect();
RECT WorkArea();

// Mouse tracking (TrackMouseEvent).
void MouseTrackingMove(HWND w, LRESULT hit);
// Windows changed under the pointer: the next look at the queue sends the window now under
// it a mouse move.
void MarkMouseStale();
void RefreshStaleMouse();

}  // namespace wm
