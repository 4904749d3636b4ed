// A combo box on a desktop through the SDL2 backend, driven by real input from xdotool: opened
// by a click on its button, its list scrolled by the wheel, an item taken by a click, and the
// list closed by a click outside without changing the value.
// Run by hand under a display (xdotool installed):
//   xvfb-run -a test_editors --gtest_also_run_disabled_tests --gtest_filter=SdlComboBox*
#include <gtest/gtest.h>

#include <algorithm>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "editors/cxComboBox.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::Xdotool;

TEST(SdlComboBoxTest, DISABLED_OpensScrollsTakesAnItemAndClosesOnAClickOutside) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeCxComboBox();
  auto* form = new TForm(Application);
  form->SetCaption("Combo box");
  form->SetBounds(40, 40, 420, 360);
  auto* combo = new TcxComboBox(form);
  combo->SetBounds(12, 12, 180, 21);
  combo->SetParent(form);
  auto* other = new TEdit(form);
  other->SetBounds(220, 12, 120, 21);
  other->SetParent(form);
  for (Integer i = 0; i < 30; ++i) combo->ActiveProperties()->Items()->Add("City " + IntToStr(i));
  combo->ActiveProperties()->SetDropDownRows(8);
  combo->PopupWindow()->SetRunsModalLoop(false);  // the test drives the popup from outside
  form->Show();
  RunUntil([] { return false; }, 700);

  auto at = [](TControl* c, TPoint p) {
    const TPoint s = c->ClientToScreen(p);
    return IntToStr(s.X) + " " + IntToStr(s.Y);
  };
  auto open = [&] {
    const TRect b = combo->GetEditViewInfo()->Buttons[0]->Bounds;
    Xdotool("mousemove --sync " + at(combo, TPoint((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2)) + " click 1");
    return RunUntil([&] { return combo->DroppedDown(); }, 3000);
  };
  ASSERT_TRUE(open());
  auto* list = static_cast<TcxComboBoxListBox*>(combo->GetComboLookupData()->GetListControl());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->TopIndex(), 0);
  // Two wheel notches down over the list scroll it by the system's lines per notch.
  const Integer row = list->ItemHeightFor(0);
  Xdotool("mousemove --sync " + at(list, TPoint(20, row / 2)) + " click 5 click 5");
  const Integer lines = std::min<Integer>(2 * Mouse()->WheelScrollLines(), 30 - 8);
  EXPECT_TRUE(RunUntil([&] { return list->TopIndex() == lines; }, 3000)) << list->TopIndex();
  const Integer top = list->TopIndex();
  THeadlessBackend::SaveWindowPng(combo->PopupWindow()->Handle(),
                                  testing_support::SheetPath("editors_sdl_combo_box.png"));
  // A click on the third visible row takes that item and closes the list.
  Xdotool("mousemove --sync " + at(list, TPoint(20, 2 + row * 2 + row / 2)) + " click 1");
  EXPECT_TRUE(RunUntil([&] { return !combo->DroppedDown(); }, 3000));
  EXPECT_EQ(combo->Text(), "City " + IntToStr(top + 2));
  EXPECT_EQ(combo->ItemIndex(), top + 2);
  // Opened again, a click outside closes it and keeps the value.
  ASSERT_TRUE(open());
  Xdotool("mousemove --sync " + at(form, TPoint(300, 250)) + " click 1");
  EXPECT_TRUE(RunUntil([&] { return !combo->DroppedDown(); }, 3000));
  EXPECT_EQ(combo->ItemIndex(), top + 2);
  EXPECT_FALSE(IsWindowVisible(combo->PopupWindow()->Handle()));
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
