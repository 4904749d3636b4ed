// A form like the summary-type dialog on a desktop through the SDL2 backend, driven by real
// input from xdotool: a click on a radio button, arrow keys across the columns and a click on
// a check box. Run by hand under a display (xdotool installed):
//   xvfb-run -a test_editors --gtest_also_run_disabled_tests --gtest_filter=SdlRadioGroup*
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "editors/cxRadioGroup.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "vcl/Forms.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::Xdotool;

TEST(SdlRadioGroupTest, DISABLED_SelectsByRealClicksAndArrowKeys) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeCxRadioGroup();
  auto* form = new TForm(Application);
  form->SetCaption("Summary type");
  form->SetBounds(40, 40, 420, 260);
  auto* group = new TcxRadioGroup(form);
  group->SetBounds(12, 12, 380, 120);
  group->SetCaption("&Summary type");
  for (const char* c : {"Sum", "Count", "Min", "Max", "Average", "Variance"})
    group->Properties()->Items()->AddItem()->SetCaption(c);
  group->Properties()->SetColumns(2);
  group->SetParent(form);
  auto* box = new TcxCheckBox(form);
  box->SetBounds(12, 150, 200, 21);
  box->SetCaption("Show &totals");
  box->SetParent(form);
  form->Show();
  RunUntil([] { return false; }, 700);

  auto clickUntil = [&](TControl* c, TPoint p, const std::function<bool()>& done) {
    for (int attempt = 0; attempt < 2 && !done(); ++attempt) {
      const TPoint s = c->ClientToScreen(p);
      Xdotool("mousemove --sync " + IntToStr(s.X) + " " + IntToStr(s.Y) + " click 1");
      RunUntil(done, 3000);
    }
    return done();
  };
  TcxRadioButton* count = group->Button(1);
  EXPECT_TRUE(clickUntil(count, TPoint(6, count->Height() / 2), [&] { return group->ItemIndex() == 1; }));
  Xdotool("key --clearmodifiers Right");  // rows 3: from Count to Average
  EXPECT_TRUE(RunUntil([&] { return group->ItemIndex() == 4; }, 3000)) << group->ItemIndex();
  Xdotool("key --clearmodifiers Down");
  EXPECT_TRUE(RunUntil([&] { return group->ItemIndex() == 5; }, 3000)) << group->ItemIndex();
  const TRect mark = box->CheckViewInfo()->MarkRect;
  EXPECT_TRUE(clickUntil(box, TPoint((mark.Left + mark.Right) / 2, (mark.Top + mark.Bottom) / 2),
                         [&] { return box->Checked(); }));
  RunUntil([] { return false; }, 300);
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("editors_sdl_summary.png"));
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
