#include "tests/support/desktop/DesktopCheck.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "foundation/cxControls.h"
#include "rtl/SysUtils.h"
#include "vcl/Forms.h"

namespace desktopcheck {

bool RunUntil(const std::function<bool()>& done, int ms) {
  auto* tick = new TcxTimer(nullptr);
  tick->SetInterval(20);
  uint64_t start = GetTickCount();
  bool timeUp = false;
  tick->SetOnTimer([&](TObject*) { timeUp = GetTickCount() - start >= uint64_t(ms); });
  while (!done() && !timeUp && !Application->Terminated()) Application->HandleMessage();
  tick->Free();
  return done();
}

void Xdotool(const String& args) {
  String command = "xdotool " + args + " >/dev/null 2>&1 &";
  ASSERT_EQ(std::system(command.c_str()), 0);
}

}  // namespace desktopcheck
