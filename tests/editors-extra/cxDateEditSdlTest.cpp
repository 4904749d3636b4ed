// A date edit on a desktop through the SDL2 backend, driven by real input from xdotool: a click
// on the drop-down button opens the calendar, a click on a day picks it and closes the popup.
// Run by hand under a display (xdotool installed):
//   xvfb-run -a test_editors_extra --gtest_also_run_disabled_tests --gtest_filter=SdlDateEdit*
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "editors-extra/cxCalendar.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "vcl/Forms.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::Xdotool;

TEST(SdlDateEditTest, DISABLED_CalendarOpensTakesADayAndCloses) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeCxCalendar();
  auto* form = new TForm(Application);
  form->SetCaption("Dates");
  form->SetBounds(40, 40, 420, 320);
  auto* edit = new TcxDateEdit(form);
  edit->SetBounds(12, 12, 180, 21);
  edit->SetParent(form);
  edit->SetEditValue(VarFromDateTime(EncodeDate(2024, 3, 5)));
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
  const TRect button = edit->GetEditViewInfo()->Buttons[0]->Bounds;
  ASSERT_TRUE(clickUntil(edit, TPoint((button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2),
                         [&] { return edit->DroppedDown(); }));
  TcxPopupCalendar* calendar = edit->Calendar();
  RunUntil([] { return false; }, 300);
  THeadlessBackend::SaveWindowPng(edit->PopupWindow()->Handle(), testing_support::SheetPath("dateedit_sdl_popup.png"));
  const TDateTime pick = EncodeDate(2024, 3, 21);
  TPoint cell;
  for (Integer r = 0; r < 6; ++r)
    for (Integer c = 0; c < 7; ++c)
      if (CalendarCellDate(calendar->FirstDate(), c, r) == pick) {
        const TRect rc = calendar->DayCellRect(c, r);
        cell = TPoint((rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2);
      }
  EXPECT_TRUE(clickUntil(calendar, cell, [&] { return !edit->DroppedDown(); }));
  EXPECT_EQ(edit->Date(), pick);
  RunUntil([] { return false; }, 300);
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("dateedit_sdl_picked.png"));
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
