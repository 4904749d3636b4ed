// A backend without a display, for tests: windows exist only as backing stores, input is
// injected by the test, waiting runs the test's scheduled idle actions or moves a manual
// clock forward, and any window or the whole screen can be saved as a PNG.
#pragma once

#include <deque>
#include <functional>
#include <map>

#include "rtl/Clock.h"
#include "user/Backend.h"

class THeadlessBackend : public TBackend {
 public:
  explicit THeadlessBackend(int screenWidth = 1280, int screenHeight = 800);
  ~THeadlessBackend() override;

  // Monitors (the first is the primary one); by default one screen with a 30-pixel task bar
  // at the bottom.
  void SetMonitors(std::vector<TMonitorInfo> monitors);
  // The clock that waiting with a timeout moves forward (null: waiting with nothing
  // scheduled fails the wait with an exception instead of blocking for ever).
  void SetManualClock(TManualClock* clock) { clock_ = clock; }
  // An action run the next time the program waits for input (a modal loop that needs a
  // click to end, for example). Actions run one per wait, in order.
  void OnIdle(std::function<void()> action) { idle_.push_back(std::move(action)); }
  size_t PendingIdleActions() const { return idle_.size(); }
  // Milliseconds until the next timer or caret blink (-1: none).
  int NextTimerDue() const;

  // What the window system was told.
  bool NativeExists(HWND wnd) const { return natives_.count(wnd) != 0; }
  bool NativeShown(HWND wnd) const;
  int PresentCount(HWND wnd) const;
  // The beeps asked for so far (MessageBeep).
  int BeepCount() const { return beepCount_; }
  void Beep(UINT) override { ++beepCount_; }
  // What the window shows: the pixels presented so far, kept like a window system keeps a
  // window's contents (only the changed rectangle of each present is copied).
  const TSurface* PresentedPixels(HWND wnd) const;
  HCURSOR CursorImage() const { return cursor_; }
  bool MouseCaptured() const { return captured_; }
  String ClipboardText() const { return clipboard_; }
  void SetExternalClipboardText(const String& text) { clipboard_ = text; }
  int Waits() const { return waits_; }

  // PNG snapshots: a window (top-level: its backing store; child: its part of it) or the
  // screen as shown, with everything drawn on the screen device context.
  static bool SaveWindowPng(HWND wnd, const String& path, bool clientOnly = false);
  static bool SaveScreenPng(const String& path);
  // A copy of a window's pixels (as SaveWindowPng would write them).
  static bool CopyWindowPixels(HWND wnd, TSurface& out, bool clientOnly = false);

  // TBackend
  void CreateNativeWindow(HWND wnd, const TNativeWindowParams& params) override;
  void DestroyNativeWindow(HWND wnd) override;
  void SetNativeBounds(HWND wnd, const RECT& bounds) override;
  void ShowNativeWindow(HWND wnd, bool show, bool activate) override;
  void SetNativeTitle(HWND wnd, const String& title) override;
  void RaiseNativeWindow(HWND wnd) override;
  void Present(HWND wnd, const TSurface& pixels, const RECT& source, const RECT& dirty) override;
  void WaitForEvents(int timeoutMs) override;
  void PollEvents() override {}
  void SetCursorImage(HCURSOR cursor) override { cursor_ = cursor; }
  void SetMouseCapture(bool captured) override { captured_ = captured; }
  void WarpMouse(POINT) override {}
  bool GetClipboardText(String& utf8) override;
  void SetClipboardText(const String& utf8) override { clipboard_ = utf8; }
  std::vector<TMonitorInfo> Monitors() override { return monitors_; }

 private:
  int beepCount_ = 0;
  struct TNative {
    TNativeWindowParams params;
    bool shown = false;
    int presents = 0;
    TSurface pixels;  // what the window shows
  };
  std::vector<TMonitorInfo> monitors_;
  std::map<HWND, TNative> natives_;
  std::deque<std::function<void()>> idle_;
  TManualClock* clock_ = nullptr;
  HCURSOR cursor_ = nullptr;
  bool captured_ = false;
  String clipboard_;
  int waits_ = 0;
};
