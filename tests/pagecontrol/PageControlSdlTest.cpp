// A page control like the main window's on a desktop through the SDL2 backend, driven by
// real input from xdotool: a click on the second tab, a click into its page and Ctrl+Tab
// back to the first. Run by hand under a display (xdotool installed):
//   xvfb-run -a test_pagecontrol --gtest_also_run_disabled_tests --gtest_filter=SdlPageControl*
#include <gtest/gtest.h>

#include <cstdlib>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "pagecontrol/cxPC.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "vcl/StdCtrls.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::Xdotool;

TEST(SdlPageControlTest, DISABLED_SwitchesSheetsByRealClicksAndCtrlTab) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeCxPC();
  auto* form = new TForm(Application);
  form->SetCaption("Page control");
  form->SetBounds(40, 40, 520, 340);
  auto* pc = new TcxPageControl(form);
  pc->SetAlign(alClient);
  pc->LookAndFeel()->SetKind(lfUltraFlat);
  pc->SetOptions({pcoGoDialog, pcoGradient, pcoGradientClientArea, pcoRedrawOnResize});
  pc->SetParent(form);
  std::vector<TEdit*> edits;
  for (const char* caption : {"Grouping Matrix", "Pivot Matrix"}) {
    auto* sheet = new TcxTabSheet(form);
    sheet->SetCaption(caption);
    sheet->SetPageControl(pc);
    auto* edit = new TEdit(form);
    edit->SetBounds(20, 20, 200, 24);
    edit->SetText(caption);
    edit->SetParent(sheet);
    edits.push_back(edit);
  }
  pc->SetActivePageIndex(0);
  form->Show();
  RunUntil([] { return false; }, 700);  // the window is mapped and painted

  auto at = [](TControl* c, TPoint p) {
    TPoint s = c->ClientToScreen(p);
    return "mousemove --sync " + IntToStr(s.X) + " " + IntToStr(s.Y) + " click 1";
  };
  // The desktop may spend a click on activating the window: click again when it was lost.
  auto clickUntil = [&](TControl* c, TPoint p, const std::function<bool()>& done) {
    for (int attempt = 0; attempt < 2 && !done(); ++attempt) {
      Xdotool(at(c, p));
      RunUntil(done, 3000);
    }
    return done();
  };
  TRect second = pc->VisibleTabs(1)->VisibleRect();
  TPoint secondCenter((second.Left + second.Right) / 2, (second.Top + second.Bottom) / 2);
  EXPECT_TRUE(clickUntil(pc, secondCenter, [&] { return pc->ActivePageIndex() == 1; }));
  RunUntil([] { return false; }, 300);  // painted
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("pc_sdl_second.png"));
  EXPECT_TRUE(clickUntil(edits[1], TPoint(30, 10), [&] { return edits[1]->Focused(); }));
  Xdotool("key --clearmodifiers ctrl+Tab");
  EXPECT_TRUE(RunUntil([&] { return pc->ActivePageIndex() == 0; }, 3000)) << pc->ActivePageIndex();
  EXPECT_TRUE(RunUntil([&] { return edits[0]->Focused(); }, 1000));
  RunUntil([] { return false; }, 300);
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("pc_sdl_first.png"));

  form->Free();
  SetBackend(nullptr);
}

}  // namespace
