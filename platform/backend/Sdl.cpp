#include "backend/Sdl.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <map>

#include "rtl/System.h"
#include "user/WinInternal.h"

namespace {

int VirtualKeyOf(const SDL_Keysym& k) {
  SDL_Scancode s = k.scancode;
  if (s >= SDL_SCANCODE_A && s <= SDL_SCANCODE_Z) return 'A' + (s - SDL_SCANCODE_A);
  if (s >= SDL_SCANCODE_1 && s <= SDL_SCANCODE_9) return '1' + (s - SDL_SCANCODE_1);
  if (s == SDL_SCANCODE_0) return '0';
  if (s >= SDL_SCANCODE_F1 && s <= SDL_SCANCODE_F12) return VK_F1 + (s - SDL_SCANCODE_F1);
  if (s >= SDL_SCANCODE_KP_1 && s <= SDL_SCANCODE_KP_9) return VK_NUMPAD1 + (s - SDL_SCANCODE_KP_1);
  switch (s) {
    case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_LSHIFT: return VK_LSHIFT;
    case SDL_SCANCODE_RSHIFT: return VK_RSHIFT;
    case SDL_SCANCODE_LCTRL: return VK_LCONTROL;
    case SDL_SCANCODE_RCTRL: return VK_RCONTROL;
    case SDL_SCANCODE_LALT: return VK_LMENU;
    case SDL_SCANCODE_RALT: return VK_RMENU;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_APPLICATION: return VK_APPS;
    case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    default: return 0;
  }
}

SDL_SystemCursor SystemCursorOf(int id) {
  switch (id) {
    case 32513: return SDL_SYSTEM_CURSOR_IBEAM;
    case 32514: return SDL_SYSTEM_CURSOR_WAIT;
    case 32515: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case 32642: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case 32643: return SDL_SYSTEM_CURSOR_SIZENESW;
    case 32644: return SDL_SYSTEM_CURSOR_SIZEWE;
    case 32645: return SDL_SYSTEM_CURSOR_SIZENS;
    case 32640:
    case 32646: return SDL_SYSTEM_CURSOR_SIZEALL;
    case 32648: return SDL_SYSTEM_CURSOR_NO;
    case 32649: return SDL_SYSTEM_CURSOR_HAND;
    case 32650: return SDL_SYSTEM_CURSOR_WAITARROW;
    default: return SDL_SYSTEM_CURSOR_ARROW;
  }
}

}  // namespace

struct TSdlBackend::TImpl {
  std::map<Uint32, HWND> byId;
  std::map<HWND, SDL_Window*> windows;
  // Where each window is: set when we move it (the window system does not report moves
  // that the program made) and when the window system reports a move of its own.
  std::map<HWND, POINT> knownPos;
  std::map<HCURSOR, SDL_Cursor*> cursors;
  // The window surface each window was last presented into: SDL makes a new, blank one
  // after a resize, which then needs the whole store, not only the changed part.
  std::map<HWND, SDL_Surface*> lastSurface;
  bool pendingDeactivate = false;

  HWND WindowOf(Uint32 id) {
    auto it = byId.find(id);
    return it == byId.end() ? nullptr : wm::Valid(it->second);
  }
  // A point of an event: window coordinates plus where the window was when the event
  // happened (the window may have moved since, while being dragged by its caption).
  POINT ScreenPoint(Uint32 id, int x, int y) {
    HWND w = WindowOf(id);
    auto it = w ? knownPos.find(w) : knownPos.end();
    if (it == knownPos.end()) {
      int gx, gy;
      SDL_GetGlobalMouseState(&gx, &gy);
      return {gx, gy};
    }
    return {it->second.X + x, it->second.Y + y};
  }
  // A move reported by the window system (a window manager placing or moving a window).
  void Moved(HWND w, POINT p) {
    auto it = knownPos.find(w);
    if (it != knownPos.end() && it->second == p) return;
    knownPos[w] = p;
    InputNativeMoved(w, p);
  }
  // Gives the keyboard to the active window (other than `lost`): without a window manager a
  // keyboard that a drop-down, a hidden or a destroyed window held goes nowhere.
  void KeyboardBackToActive(HWND lost) {
    HWND active = GetActiveWindow();
    auto it = active && active != lost ? windows.find(active) : windows.end();
    if (it != windows.end()) SDL_SetWindowInputFocus(it->second);
  }
  Uint32 lastMotionWindow = 0;  // the window of the last motion reported
  void Handle(const SDL_Event& e) {
    switch (e.type) {
      case SDL_MOUSEMOTION:
        // A motion without relative movement within the window of the last motion is that
        // window moving under a still pointer (dragged by its caption, in coordinates of the
        // old place) or a grab starting or ending: not a move. In another window it is the
        // pointer entering there (the first report in a window comes without movement): the
        // pointer's screen position is then taken, so a click right after lands where aimed.
        if (e.motion.xrel == 0 && e.motion.yrel == 0) {
          if (e.motion.windowID == lastMotionWindow) break;
          lastMotionWindow = e.motion.windowID;
          int gx, gy;
          SDL_GetGlobalMouseState(&gx, &gy);
          InputMouseMove({gx, gy});
          break;
        }
        lastMotionWindow = e.motion.windowID;
        InputMouseMove(ScreenPoint(e.motion.windowID, e.motion.x, e.motion.y));
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        int b = e.button.button == SDL_BUTTON_LEFT ? kMouseLeft
                : e.button.button == SDL_BUTTON_RIGHT ? kMouseRight
                : e.button.button == SDL_BUTTON_MIDDLE ? kMouseMiddle : -1;
        if (b < 0) break;
        // A button goes down where the last motion left the pointer: the event's own
        // coordinates are stale once the window moved (dragged by its caption).
        POINT p;
        GetCursorPos(&p);
        InputMouseButton(b, e.type == SDL_MOUSEBUTTONDOWN, p);
        break;
      }
      case SDL_MOUSEWHEEL: {
        int gx, gy;
        SDL_GetGlobalMouseState(&gx, &gy);
        int dy = e.wheel.y, dx = e.wheel.x;
        if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) dy = -dy, dx = -dx;
        if (dy) InputMouseWheel(dy * WHEEL_DELTA, {gx, gy}, false);
        if (dx) InputMouseWheel(dx * WHEEL_DELTA, {gx, gy}, true);
        break;
      }
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        int vk = VirtualKeyOf(e.key.keysym);
        if (vk) InputKey(vk, e.type == SDL_KEYDOWN, e.key.repeat != 0);
        break;
      }
      case SDL_TEXTINPUT:
        InputText(e.text.text);
        break;
      case SDL_WINDOWEVENT: {
        HWND w = WindowOf(e.window.windowID);
        if (!w) break;
        switch (e.window.event) {
          case SDL_WINDOWEVENT_CLOSE: InputNativeClose(w); break;
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            pendingDeactivate = false;
            if (!wm::CanActivate(w)) {
              // A window that must not activate hands the keyboard back to the active one.
              KeyboardBackToActive(nullptr);
              break;
            }
            InputNativeActivate(w);
            break;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            if (!wm::CanActivate(w) || !(w->style & WS_VISIBLE)) {
              // A drop-down or a window just hidden lost the keyboard (without a window manager
              // it then goes nowhere): it goes back to the active window, which stays active.
              KeyboardBackToActive(w);
              break;
            }
            pendingDeactivate = true;
            break;
          // The window system may have dropped what was shown before the window was
          // mapped or while it was covered or minimised: show the whole store again.
          case SDL_WINDOWEVENT_SHOWN:
          case SDL_WINDOWEVENT_EXPOSED:
          case SDL_WINDOWEVENT_RESTORED: InputNativeExposed(w); break;
          case SDL_WINDOWEVENT_MOVED: Moved(w, {e.window.data1, e.window.data2}); break;
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            // A new size means a new, blank window surface.
            InputNativeResized(w, {e.window.data1, e.window.data2});
            if (wm::Valid(w)) InputNativeExposed(w);
            break;
          case SDL_WINDOWEVENT_LEAVE: {
            // The mouse went to something that is not ours: tracking hears it as a move away.
            int gx, gy;
            SDL_GetGlobalMouseState(&gx, &gy);
            InputMouseMove({gx, gy});
            break;
          }
        }
        break;
      }
      case SDL_DISPLAYEVENT:
        InputDisplayChanged();
        break;
    }
  }
  void Drain() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) Handle(e);
    // Losing the focus to another window of ours comes as lost-then-gained; only a loss
    // without a gain means that another program became active.
    if (pendingDeactivate) {
      pendingDeactivate = false;
      InputNativeActivate(nullptr);
    }
  }
};

TSdlBackend::TSdlBackend() : impl_(std::make_unique<TImpl>()) {
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // Termination signals end the program as usual; closing windows is the program's business.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
    throw EOSError(String("Cannot open the display: ") + SDL_GetError());
  SDL_StartTextInput();
  SDL_EventState(SDL_DROPFILE, SDL_DISABLE);
  // Typed characters come as text events of their own.
  wm::SetSynthesizeCharsFromKeys(false);
}

TSdlBackend::~TSdlBackend() {
  if (Backend() == this) SetBackend(nullptr);
  for (auto& c : impl_->cursors) SDL_FreeCursor(c.second);
  for (auto& w : impl_->windows) SDL_DestroyWindow(w.second);
  SDL_StopTextInput();
  SDL_Quit();
  wm::SetSynthesizeCharsFromKeys(true);
}

void TSdlBackend::CreateNativeWindow(HWND wnd, const TNativeWindowParams& p) {
  Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
  if (!p.activates) flags |= SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_POPUP_MENU;
  if (p.topmost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  SDL_Window* win = SDL_CreateWindow(p.title.c_str(), p.bounds.Left, p.bounds.Top,
                                     std::max(p.bounds.Width(), 1), std::max(p.bounds.Height(), 1), flags);
  if (!win) return;
  impl_->windows[wnd] = win;
  impl_->byId[SDL_GetWindowID(win)] = wnd;
  impl_->knownPos[wnd] = {p.bounds.Left, p.bounds.Top};
}

void TSdlBackend::DestroyNativeWindow(HWND wnd) {
  auto it = impl_->windows.find(wnd);
  if (it == impl_->windows.end()) return;
  impl_->byId.erase(SDL_GetWindowID(it->second));
  // A closed dialog that held the keyboard: its focus-lost report comes after the window is
  // gone and names no window of ours, so the keyboard is handed back here.
  const bool hadKeyboard = SDL_GetKeyboardFocus() == it->second;
  SDL_DestroyWindow(it->second);
  impl_->windows.erase(it);
  impl_->knownPos.erase(wnd);
  impl_->lastSurface.erase(wnd);
  if (hadKeyboard) impl_->KeyboardBackToActive(wnd);
}

void TSdlBackend::SetNativeBounds(HWND wnd, const RECT& b) {
  auto it = impl_->windows.find(wnd);
  if (it == impl_->windows.end()) return;
  int x, y;
  SDL_GetWindowPosition(it->second, &x, &y);
  if (x != b.Left || y != b.Top) SDL_SetWindowPosition(it->second, b.Left, b.Top);
  impl_->knownPos[wnd] = {b.Left, b.Top};
  int w, h;
  SDL_GetWindowSize(it->second, &w, &h);
  if (w != b.Width() || h != b.Height()) SDL_SetWindowSize(it->second, std::max(b.Width(), 1), std::max(b.Height(), 1));
}

void TSdlBackend::ShowNativeWindow(HWND wnd, bool show, bool activate) {
  auto it = impl_->windows.find(wnd);
  if (it == impl_->windows.end()) return;
  if (show) {
    SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, activate ? "0" : "1");
    SDL_ShowWindow(it->second);
    if (activate) SDL_RaiseWindow(it->second);
  } else {
    SDL_HideWindow(it->second);
  }
}

void TSdlBackend::SetNativeTitle(HWND wnd, const String& title) {
  auto it = impl_->windows.find(wnd);
  if (it != impl_->windows.end()) SDL_SetWindowTitle(it->second, title.c_str());
}

void TSdlBackend::RaiseNativeWindow(HWND wnd) {
  auto it = impl_->windows.find(wnd);
  if (it == impl_->windows.end() || !wm::Valid(wnd)) return;
  SDL_SetWindowAlwaysOnTop(it->second, (wnd->exStyle & WS_EX_TOPMOST) ? SDL_TRUE : SDL_FALSE);
  // Raising through SDL also activates, which a popup that must not activate cannot have.
  if ((SDL_GetWindowFlags(it->second) & SDL_WINDOW_SHOWN) && wm::CanActivate(wnd)) SDL_RaiseWindow(it->second);
}

void TSdlBackend::Present(HWND wnd, const TSurface& pixels, const RECT& source, const RECT& dirty) {
  auto it = impl_->windows.find(wnd);
  if (it == impl_->windows.end() || source.IsEmpty()) return;
  SDL_Surface* target = SDL_GetWindowSurface(it->second);
  if (!target) return;
  const uint32_t* origin = pixels.Row(source.Top) + source.Left;
  SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(origin), source.Width(),
                                                        source.Height(), 32, pixels.Stride() * 4,
                                                        SDL_PIXELFORMAT_RGB888);
  if (!src) return;
  SDL_Rect r{dirty.Left, dirty.Top, dirty.Width(), dirty.Height()};
  SDL_Surface*& last = impl_->lastSurface[wnd];
  if (last != target) {
    last = target;
    r = SDL_Rect{0, 0, source.Width(), source.Height()};
  }
  SDL_Rect d = r;
  SDL_BlitSurface(src, &r, target, &d);
  SDL_FreeSurface(src);
  SDL_UpdateWindowSurfaceRects(it->second, &r, 1);
}

void TSdlBackend::WaitForEvents(int timeoutMs) {
  SDL_Event e;
  SDL_ClearError();
  Uint64 start = SDL_GetTicks64();
  int got = timeoutMs < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, timeoutMs);
  if (got) {
    impl_->Handle(e);
  } else if (*SDL_GetError() && (timeoutMs < 0 || SDL_GetTicks64() - start + 5 < Uint64(timeoutMs))) {
    // Waiting failed instead of timing out: the display is gone. Going on would spin.
    throw EOSError(String("Lost the display: ") + SDL_GetError());
  }
  impl_->Drain();
}

void TSdlBackend::PollEvents() { impl_->Drain(); }

void TSdlBackend::SetCursorImage(HCURSOR cursor) {
  if (!cursor) {
    SDL_ShowCursor(SDL_DISABLE);
    return;
  }
  SDL_ShowCursor(SDL_ENABLE);
  auto it = impl_->cursors.find(cursor);
  SDL_Cursor* c = it == impl_->cursors.end() ? nullptr : it->second;
  if (!c) {
    int w, h;
    const uint32_t* px;
    POINT hot;
    if (wm::CursorImage(cursor, &w, &h, &px, &hot)) {
      SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(px), w, h, 32, w * 4,
                                                          SDL_PIXELFORMAT_ARGB8888);
      if (s) {
        c = SDL_CreateColorCursor(s, hot.X, hot.Y);
        SDL_FreeSurface(s);
      }
    } else {
      c = SDL_CreateSystemCursor(SystemCursorOf(GetCursorStandardId(cursor)));
    }
    if (!c) return;
    impl_->cursors[cursor] = c;
  }
  SDL_SetCursor(c);
}

void TSdlBackend::SetMouseCapture(bool captured) { SDL_CaptureMouse(captured ? SDL_TRUE : SDL_FALSE); }

void TSdlBackend::WarpMouse(POINT p) { SDL_WarpMouseGlobal(p.X, p.Y); }

bool TSdlBackend::GetClipboardText(String& utf8) {
  if (!SDL_HasClipboardText()) {
    utf8.clear();
    return false;
  }
  char* t = SDL_GetClipboardText();
  if (!t) return false;
  utf8 = t;
  SDL_free(t);
  return true;
}

void TSdlBackend::SetClipboardText(const String& utf8) { SDL_SetClipboardText(utf8.c_str()); }

std::vector<TMonitorInfo> TSdlBackend::Monitors() {
  std::vector<TMonitorInfo> v;
  int n = SDL_GetNumVideoDisplays();
  for (int i = 0; i < n; ++i) {
    SDL_Rect b, u;
    if (SDL_GetDisplayBounds(i, &b) != 0) continue;
    if (SDL_GetDisplayUsableBounds(i, &u) != 0) u = b;
    v.push_back({RECT{b.x, b.y, b.x + b.w, b.y + b.h}, RECT{u.x, u.y, u.x + u.w, u.y + u.h}});
  }
  return v;
}
