// Drag docking on a desktop through the SDL2 backend, driven by the real mouse (xdotool): a
// panel dragged out of its dock site floats, its float form dragged by the caption onto the
// site's top edge docks it, dragged out again it floats, and a double click on the float
// form's caption puts it back. Run by hand under a display (xdotool installed):
//   xvfb-run -a build/tests/test_docking --gtest_also_run_disabled_tests --gtest_filter=SdlDocking*
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "docking/dxDockControl.h"
#include "docking/dxDockPanel.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "vcl/Forms.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::Xdotool;

String Pt(POINT p) { return IntToStr(p.X) + " " + IntToStr(p.Y); }

// A real drag: press at `from`, move there in steps, release at `to`.
void RealDrag(POINT from, POINT to) {
  String moves;
  for (int i = 1; i <= 6; ++i)
    moves += " mousemove --sync " + Pt(POINT{from.X + (to.X - from.X) * i / 6, from.Y + (to.Y - from.Y) * i / 6}) +
             " sleep 0.05";
  Xdotool("mousemove --sync " + Pt(from) + " mousedown 1 sleep 0.1 mousemove --sync " + Pt(POINT{from.X + 3, from.Y}) +
          " sleep 0.1" + moves + " sleep 0.2 mouseup 1");
}

POINT CaptionOf(TdxCustomDockControl* c) {
  RECT r;
  GetWindowRect(c->Handle(), &r);
  const TRect& t = c->CaptionTextRect();
  return POINT{r.Left + (t.Left + t.Right) / 2, r.Top + (t.Top + t.Bottom) / 2};
}

POINT FloatCaptionOf(TdxCustomDockControl* c) {
  RECT r;
  GetWindowRect(c->FloatForm()->Handle(), &r);
  return POINT{r.Left + 40, r.Top + 8};
}

TEST(SdlDockingTest, DISABLED_DragOutFloatDockByTheFloatCaptionAndDoubleClickBack) {
  TSdlBackend backend;
  SetBackend(&backend);
  auto* form = new TForm(Application);
  form->SetName("DockForm");
  form->SetCaption("Docking");
  form->SetBounds(40, 40, 520, 380);
  auto* site = new TdxDockSite(form);
  site->SetName("Site");
  site->SetParent(form);
  site->SetAlign(alClient);
  auto* p1 = new TdxDockPanel(form);
  p1->SetName("P1");
  p1->SetCaption("Panel one");
  auto* p2 = new TdxDockPanel(form);
  p2->SetName("P2");
  p2->SetCaption("Panel two");
  p1->DockTo(site, dtLeft, -1);
  p2->DockTo(site, dtRight, -1);
  form->Show();
  RunUntil([] { return false; }, 700);

  // Out of the site to the empty desktop: it floats.
  RealDrag(CaptionOf(p1), POINT{720, 420});
  EXPECT_TRUE(RunUntil([&] { return p1->DockingState() == dsFloating; }, 4000));
  RunUntil([] { return false; }, 300);
  ASSERT_TRUE(p1->FloatForm());
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("dock_sdl_floated.png"));

  // The float form by its caption onto the site's top edge.
  RECT sr;
  GetWindowRect(site->Handle(), &sr);
  RealDrag(FloatCaptionOf(p1), POINT{(sr.Left + sr.Right) / 2, sr.Top + 3});
  EXPECT_TRUE(RunUntil([&] { return p1->DockingState() == dsDocked; }, 4000));
  EXPECT_EQ(p1->DockType(), dtTop);

  // Out again, then a double click on the float form's caption re-docks it.
  RunUntil([] { return false; }, 300);
  RealDrag(CaptionOf(p1), POINT{760, 460});
  EXPECT_TRUE(RunUntil([&] { return p1->DockingState() == dsFloating; }, 4000));
  RunUntil([] { return false; }, 500);
  Xdotool("mousemove --sync " + Pt(FloatCaptionOf(p1)) + " click --repeat 2 --delay 80 1");
  EXPECT_TRUE(RunUntil([&] { return p1->DockingState() == dsDocked; }, 4000));
  EXPECT_EQ(p1->DockType(), dtTop);
  RunUntil([] { return false; }, 300);
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("dock_sdl_redocked.png"));
  form->Free();
  FinalizeDockingController();
  SetBackend(nullptr);
}

}  // namespace
