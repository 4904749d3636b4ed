// A scrolling control on a desktop through the SDL2 backend, driven by real input from
// xdotool: the wheel, a click on the vertical bar's arrow and a drag of the horizontal
// bar's thumb. Run by hand under a display (xdotool installed):
//   xvfb-run -a test_foundation --gtest_also_run_disabled_tests --gtest_filter=SdlControl*
#include <gtest/gtest.h>

#include <cstdlib>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "rtl/SysUtils.h"
#include "tests/foundation/ControlTestSupport.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::Xdotool;

TEST(SdlControlTest, DISABLED_ScrollsWithTheRealWheelAndScrollBars) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeCxControls();
  auto* form = new TForm(Application);
  form->SetCaption("Scrolling control");
  form->SetBounds(40, 40, 420, 320);
  auto* c = new controltest::TScrollingControl(form);
  c->SetBounds(10, 10, 380, 260);
  c->SetParent(form);
  form->Show();
  c->SetFocus();
  RunUntil([] { return false; }, 700);  // the window is mapped and painted

  auto screen = [&](TControl* control, TPoint p) { return control->ClientToScreen(p); };
  auto at = [](TPoint p) { return "mousemove --sync " + IntToStr(p.X) + " " + IntToStr(p.Y); };

  // The wheel, three lines per notch.
  Xdotool(at(screen(c, TPoint(100, 100))) + " click 5");
  EXPECT_TRUE(RunUntil([&] { return c->TopPos == 30; }, 3000)) << c->TopPos;

  // The vertical bar's lower arrow.
  TcxControlScrollBar* v = c->VerticalBar();
  TRect arrow = v->LineDownRect();
  Xdotool(at(screen(v, TPoint(arrow.Left + 4, arrow.Top + 4))) + " click 1");
  EXPECT_TRUE(RunUntil([&] { return c->TopPos == 40; }, 3000)) << c->TopPos;

  // A drag of the horizontal bar's thumb to the right.
  TcxControlScrollBar* h = c->HorizontalBar();
  TRect thumb = h->ThumbRect();
  TPoint from = screen(h, TPoint(thumb.Left + 5, thumb.Top + 5));
  Xdotool(at(from) + " mousedown 1 mousemove_relative --sync 60 0 mouseup 1");
  EXPECT_TRUE(RunUntil([&] { return c->LeftPos > 0 && h->PressedPart() == sbpNone; }, 3000)) << c->LeftPos;

  RunUntil([] { return false; }, 300);
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("control_sdl.png"));
  if (const char* shot = std::getenv("KORVAN_SCREENSHOT"))
    std::system((String("import -window root ") + shot).c_str());
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
