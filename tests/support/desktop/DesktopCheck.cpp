#include "tests/support/desktop/DesktopCheck.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

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

void MoveTo(Integer x, Integer y) { Xdotool("mousemove --sync " + IntToStr(x) + " " + IntToStr(y)); }

void ClickAt(TControl* control, const TPoint& p) {
  TPoint s = control->ClientToScreen(p);
  Xdotool("mousemove --sync " + IntToStr(s.X) + " " + IntToStr(s.Y) + " click 1");
}

void DragOnScreen(Integer x1, Integer y1, Integer x2, Integer y2) {
  Xdotool("mousemove --sync " + IntToStr(x1) + " " + IntToStr(y1) + " mousedown 1");
  RunUntil([] { return false; }, 200);
  for (int i = 1; i <= 5; ++i) {
    MoveTo(x1 + (x2 - x1) * i / 5, y1 + (y2 - y1) * i / 5);
    RunUntil([] { return false; }, 100);
  }
  Xdotool("mouseup 1");
}

void XdotoolAndWait(const String& args) {
  const String command = "xdotool " + args + " >/dev/null 2>&1";
  std::atomic<bool> finished{false};
  int result = -1;
  std::thread run([&] {
    result = std::system(command.c_str());
    finished = true;
  });
  RunUntil([&] { return finished.load(); }, 30000);
  run.join();
  ASSERT_EQ(result, 0);
}

}  // namespace desktopcheck
