// Helpers of the desktop checks (disabled tests run by hand under a display through the SDL2
// backend): processing messages until a condition holds, and real input from xdotool.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "foundation/cxControls.h"
#include "rtl/SysUtils.h"

namespace testing_support {

// Processes messages until the condition holds or the time is up.
inline bool RunUntil(const std::function<bool()>& done, int ms) {
  auto* tick = new TcxTimer(nullptr);
  tick->SetInterval(20);
  uint64_t start = GetTickCount();
  bool timeUp = false;
  tick->SetOnTimer([&](TObject*) { timeUp = GetTickCount() - start >= uint64_t(ms); });
  while (!done() && !timeUp && !Application->Terminated()) Application->HandleMessage();
  tick->Free();
  return done();
}

// Runs xdotool with the arguments in the background.
inline void Xdotool(const String& args) {
  String command = "xdotool " + args + " >/dev/null 2>&1 &";
  ASSERT_EQ(std::system(command.c_str()), 0);
}

}  // namespace testing_support
