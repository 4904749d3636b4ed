// The headless test fixture: a manual clock, the headless backend, message pumping, input
// injected at window points, and PNG snapshots of windows in the sheets directory.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "backend/Headless.h"
#include "rtl/Clock.h"
#include "user/Windows.h"

namespace testing_support {

// Installs the headless backend and a manual clock for its lifetime; at the end destroys
// every window left, releases capture and focus and restores the system clock.
class THeadlessSession {
 public:
  THeadlessSession(int screenWidth = 1280, int screenHeight = 800);
  ~THeadlessSession();
  THeadlessSession(const THeadlessSession&) = delete;
  THeadlessSession& operator=(const THeadlessSession&) = delete;

  TManualClock& Clock() { return clock_; }
  THeadlessBackend& Backend() { return *backend_; }

  // Dispatches every message waiting (posted, input, paint, due timers) without waiting.
  // Returns the number of messages dispatched.
  int Pump();
  // Moves the clock forward by ms, firing every timer period on the way (pumping at each).
  void Advance(uint64_t ms);

  // Input at a point of a window's client area.
  POINT ScreenPoint(HWND wnd, POINT client);
  void MoveMouse(HWND wnd, POINT client);
  void MouseDown(HWND wnd, POINT client, int button = kMouseLeft);
  void MouseUp(HWND wnd, POINT client, int button = kMouseLeft);
  void Click(HWND wnd, POINT client, int button = kMouseLeft);
  void DoubleClick(HWND wnd, POINT client, int button = kMouseLeft);
  void Wheel(HWND wnd, POINT client, int delta);
  // Input at screen points: a press, moves and a release; Drag presses at `from`, moves to
  // `to` in `steps` equal steps (pumping after each) and releases there.
  void MouseDownAt(POINT screen, int button = kMouseLeft);
  void MoveMouseTo(POINT screen);
  void MouseUpAt(POINT screen, int button = kMouseLeft);
  void Drag(POINT from, POINT to, int steps = 4);
  // Keys: press and release (with the modifiers held meanwhile), then pump.
  void KeyDown(int vk);
  void KeyUp(int vk);
  void PressKey(int vk, bool shift = false, bool ctrl = false, bool alt = false);
  // Types text: letters, digits and space through their keys, anything else as committed
  // input-method text.
  void TypeText(const String& utf8);

  // Writes a window's pixels to <sheets>/<fileName>; returns the path.
  String Snapshot(HWND wnd, const String& fileName, bool clientOnly = false);
  String SnapshotScreen(const String& fileName);

 private:
  TManualClock clock_;
  std::unique_ptr<THeadlessBackend> backend_;
};

// The same as a GoogleTest fixture.
class THeadlessFixture : public ::testing::Test {
 protected:
  void SetUp() override { session_ = std::make_unique<THeadlessSession>(); }
  void TearDown() override { session_.reset(); }
  THeadlessSession& S() { return *session_; }
  int Pump() { return session_->Pump(); }
  void Advance(uint64_t ms) { session_->Advance(ms); }
  // Gives a control the focus and lets the messages that follow run.
  template <class TControlType>
  void Focus(TControlType* control) {
    control->SetFocus();
    Pump();
  }

 private:
  std::unique_ptr<THeadlessSession> session_;
};

}  // namespace testing_support
