// The filter control on a desktop through the SDL2 backend, driven by real input from xdotool:
// a condition from the add-condition button, a group from the row menu, an item chosen in the
// combo box and a value typed in place.
// Run by hand under a display (xdotool installed):
//   xvfb-run -a build/tests/test_editors_extra --gtest_also_run_disabled_tests --gtest_filter=SdlFilterControl*
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "editors/cxComboBox.h"
#include "rtl/SysUtils.h"
#include "tests/editors-extra/FilterControlTestLink.h"
#include "tests/support/TestSupport.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "user/Windows.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::Xdotool;

// A click on a part, then what follows it in the same command (the row menu tracks the input
// in its own loop, so its key must already be on the way).
void ClickOn(TcxFilterControl* c, const TRect& r, const String& then = "") {
  const TPoint p = c->ClientToScreen(TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
  Xdotool("mousemove --sync " + IntToStr(p.X) + " " + IntToStr(p.Y) + " click 1" + then);
}

TEST(SdlFilterControlTest, DISABLED_ConditionGroupItemAndValueByRealInput) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeForms();
  InitializeMenus();
  InitializeCxFilterControl();
  InitializeCxSpinEdit();
  InitializeCxCalendar();
  filtercontrol_test::TWindowLink link;
  auto* form = new TForm(Application);
  form->SetCaption("Filter");
  form->SetBounds(40, 40, 520, 320);
  auto* c = new TcxFilterControl(form);
  c->SetBounds(10, 10, 480, 260);
  c->SetParent(form);
  c->SetLink(&link);
  form->Show();
  c->SetFocus();
  RunUntil([] { return false; }, 700);

  ClickOn(c, c->ViewInfo()->AddConditionRect());
  EXPECT_TRUE(RunUntil([&] { return c->RowCount() == 2; }, 3000));
  // The root's menu; its "Add &Group" by its hotkey.
  ClickOn(c, c->Root()->ButtonRect, " sleep 0.5 key --clearmodifiers g");
  EXPECT_TRUE(RunUntil([&] { return c->RowCount() == 4; }, 3000)) << c->RowCount();
  // The group's condition takes the second item from the combo box.
  auto* condition = static_cast<TcxConditionViewInfo*>(c->RowList()[3]);
  ClickOn(c, condition->ItemRect);
  RunUntil([&] { return c->ComboBox()->Visible(); }, 3000);
  Xdotool("key --clearmodifiers Down Return");
  EXPECT_TRUE(RunUntil([&] { return condition->ItemText() == "Quantity"; }, 3000)) << condition->ItemText();
  // A value typed in place.
  RunUntil([] { return false; }, 300);
  ClickOn(c, condition->Values()[0].ValueRect);
  RunUntil([&] { return c->ValueEditor() != nullptr; }, 3000);
  Xdotool("type --delay 30 '12'");
  RunUntil([] { return false; }, 400);
  Xdotool("key --clearmodifiers Return");
  EXPECT_TRUE(RunUntil([&] { return condition->Values()[0].ValueText == "12"; }, 3000))
      << condition->Values()[0].ValueText;
  RunUntil([] { return false; }, 300);
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("filter_control_sdl.png"));
  EXPECT_EQ(c->FilterCaptionText(), "(Product = blank) and ((Quantity = 12))");
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
