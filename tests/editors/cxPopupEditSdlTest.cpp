// The pivot grid's field filter on a desktop through the SDL2 backend, driven by real input
// from xdotool: a popup editor opened by a click on its button, a check list box in the popup
// toggled by clicks, the popup resized by its grip, and closed by a click outside and by Enter.
// Run by hand under a display (xdotool installed):
//   xvfb-run -a test_editors --gtest_also_run_disabled_tests --gtest_filter=SdlPopupEdit*
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "editors/cxCheckListBox.h"
#include "editors/cxPopupEdit.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "vcl/Forms.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::Xdotool;

TEST(SdlPopupEditTest, DISABLED_FieldFilterByRealClicksGripAndClickOutside) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeCxPopupEdit();
  InitializeCxCheckListBox();
  auto* form = new TForm(Application);
  form->SetCaption("Field filter");
  form->SetBounds(40, 40, 460, 380);
  auto* edit = new TcxPopupEdit(form);
  edit->SetBounds(12, 12, 200, 21);
  edit->SetParent(form);
  auto* list = new TcxCheckListBox(form);
  list->SetBounds(0, 0, 180, 140);
  list->SetVisible(false);
  list->SetParent(form);
  list->SetEditValueFormat(cvfStatesString);
  for (const char* v : {"North", "South", "East", "West"}) list->CheckItems()->AddCheckItem(v, cbsChecked);
  edit->ActiveProperties()->SetPopupControl(list);
  edit->ActiveProperties()->SetPopupSysPanelStyle(true);
  edit->ActiveProperties()->SetPopupAutoSize(false);  // the user's size is kept for the next opening
  std::vector<Integer> reasons;
  String applied;
  edit->ActiveProperties()->OnPopupClosed = [&](TObject*, Integer reason) {
    reasons.push_back(reason);
    if (reason == 4) applied = VarToStr(list->EditValue());
  };
  // The test drives the popup from outside its modal loop.
  edit->PopupWindow()->SetRunsModalLoop(false);
  form->Show();
  RunUntil([] { return false; }, 700);

  auto click = [&](TControl* c, TPoint p) {
    const TPoint s = c->ClientToScreen(p);
    Xdotool("mousemove --sync " + IntToStr(s.X) + " " + IntToStr(s.Y) + " click 1");
  };
  auto open = [&] {
    TcxCustomEditViewInfo* vi = edit->GetEditViewInfo();
    const TRect b = vi->Buttons[0]->Bounds;
    click(edit, TPoint((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2));
    return RunUntil([&] { return edit->DroppedDown(); }, 3000);
  };
  ASSERT_TRUE(open());
  // A click on the second item's check unchecks it.
  TcxCustomInnerCheckListBox* inner = list->InnerCheckListBox();
  const TRect check = inner->CheckHitRect(1);
  click(inner, TPoint((check.Left + check.Right) / 2, (check.Top + check.Bottom) / 2));
  EXPECT_TRUE(RunUntil([&] { return list->CheckItems()->Item(1)->State() == cbsUnchecked; }, 3000));
  // The grip drags the popup bigger.
  TcxCustomEditPopupWindow* w = edit->PopupWindow();
  const Integer width = w->Width(), height = w->Height();
  const TRect g = w->GetPopupViewInfo()->SizeGripRect;
  const TPoint grip = w->ClientToScreen(TPoint((g.Left + g.Right) / 2, (g.Top + g.Bottom) / 2));
  Xdotool("mousemove --sync " + IntToStr(grip.X) + " " + IntToStr(grip.Y) + " mousedown 1");
  RunUntil([] { return false; }, 200);
  Xdotool("mousemove --sync " + IntToStr(grip.X + 30) + " " + IntToStr(grip.Y + 20));
  RunUntil([] { return false; }, 200);
  Xdotool("mousemove --sync " + IntToStr(grip.X + 60) + " " + IntToStr(grip.Y + 40) + " mouseup 1");
  EXPECT_TRUE(RunUntil([&] { return w->Width() > width && w->Height() > height; }, 3000))
      << w->Width() << "x" << w->Height();
  THeadlessBackend::SaveWindowPng(w->Handle(), testing_support::SheetPath("editors_sdl_field_filter.png"));
  // A click outside closes with reason 0: the filter is not applied.
  click(form, TPoint(400, 320));
  EXPECT_TRUE(RunUntil([&] { return !edit->DroppedDown(); }, 3000));
  EXPECT_EQ(applied, "");
  ASSERT_FALSE(reasons.empty());
  EXPECT_EQ(reasons.back(), 0);
  // Opened again at the user's size; a check clicked and Enter applies the filter.
  ASSERT_TRUE(open());
  EXPECT_GT(w->Width(), width);
  const TRect c0 = inner->CheckHitRect(0);
  click(inner, TPoint((c0.Left + c0.Right) / 2, (c0.Top + c0.Bottom) / 2));
  EXPECT_TRUE(RunUntil([&] { return list->CheckItems()->Item(0)->State() == cbsUnchecked; }, 3000));
  Xdotool("key --clearmodifiers Return");
  EXPECT_TRUE(RunUntil([&] { return !edit->DroppedDown(); }, 3000));
  EXPECT_EQ(applied, "0011");
  EXPECT_EQ(list->Parent(), form);
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
