// The SDL2 backend: every top-level window is a desktop window showing its backing store;
// SDL's mouse, keyboard, text, window, clipboard and cursor services are turned into the
// window manager's input. The only unit that includes SDL (and through it X11) headers.
#pragma once

#include <memory>

#include "user/Backend.h"

class TSdlBackend : public TBackend {
 public:
  // Initialises SDL's video (the driver comes from SDL_VIDEODRIVER); throws EOSError with
  // SDL's message when no display can be opened.
  TSdlBackend();
  ~TSdlBackend() override;

  void CreateNativeWindow(HWND wnd, const TNativeWindowParams& params) override;
  void DestroyNativeWindow(HWND wnd) override;
  void SetNativeBounds(HWND wnd, const RECT& bounds) override;
  void ShowNativeWindow(HWND wnd, bool show, bool activate) override;
  void SetNativeTitle(HWND wnd, const String& title) override;
  void RaiseNativeWindow(HWND wnd) override;
  void Present(HWND wnd, const TSurface& pixels, const RECT& source, const RECT& dirty) override;
  void WaitForEvents(int timeoutMs) override;
  void PollEvents() override;
  void SetCursorImage(HCURSOR cursor) override;
  void SetMouseCapture(bool captured) override;
  void WarpMouse(POINT screen) override;
  bool GetClipboardText(String& utf8) override;
  void SetClipboardText(const String& utf8) override;
  std::vector<TMonitorInfo> Monitors() override;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};
