// A pivot grid on a desktop through the SDL2 backend, driven by real input from xdotool: the
// filter field is dragged into the data area, and the drag image and arrows leave no trace;
// values are filtered out through the drop-down; a field is dragged from the field list into
// the row area.
// Run by hand under a display (xdotool installed):
//   xvfb-run -a build/tests/test_pivotgrid --gtest_also_run_disabled_tests --gtest_filter=SdlPivot*
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "pivotgrid/cxCustomPivotGrid.h"
#include "pivotgrid/cxPivotGridCustomizationForm.h"
#include "pivotgrid/cxPivotGridFilterPopup.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "user/Windows.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::Xdotool;

TEST(SdlPivotTest, DISABLED_DragAFilterFieldIntoTheDataArea) {
  TSdlBackend backend;
  SetBackend(&backend);
  auto* form = new TForm(Application);
  form->SetCaption("Pivot");
  form->SetBounds(40, 40, 660, 360);
  auto* grid = new TcxCustomPivotGrid(form);
  grid->SetParent(form);
  grid->SetBounds(10, 10, 630, 300);
  const char* names[] = {"Country", "Region", "Year", "Amount"};
  const char* types[] = {"String", "String", "Integer", "Float"};
  TcxPivotGridField* f[4];
  for (int i = 0; i < 4; ++i) {
    f[i] = grid->CreateField();
    f[i]->DataBinding()->SetValueType(types[i]);
    f[i]->SetCaption(names[i]);
  }
  grid->BeginUpdate();
  grid->DataController()->SetRecordCount(3);
  Variant rows[3][4] = {{"NO", "North", 2023, 10.0}, {"IT", "South", 2024, 7.0}, {"IT", "South", 2023, 2.0}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) grid->DataController()->SetValue(r, c, rows[r][c]);
  TcxPivotGridFieldArea areas[] = {faFilter, faRow, faColumn, faData};
  for (int i = 0; i < 4; ++i) {
    f[i]->SetArea(areas[i]);
    f[i]->SetVisible(true);
  }
  grid->EndUpdate();
  int moved = 0;
  grid->OnFieldPosChanged = [&](TcxCustomPivotGrid*, TcxPivotGridField*) { ++moved; };
  form->Show();
  RunUntil([] { return false; }, 700);
  grid->SetFocus();
  EXPECT_TRUE(RunUntil([&] { return grid->Focused(); }, 2000));
  THeadlessBackend::SaveScreenPng(testing_support::SheetPath("pivotgrid_sdl_before.png"));

  TRect from = f[0]->GetHeaderViewInfo()->Bounds, to = f[3]->GetHeaderViewInfo()->Bounds;
  TPoint a = grid->ClientToScreen(TPoint((from.Left + from.Right) / 2, (from.Top + from.Bottom) / 2));
  TPoint b = grid->ClientToScreen(TPoint(to.Right - 3, (to.Top + to.Bottom) / 2));
  Xdotool("mousemove --sync " + IntToStr(a.X) + " " + IntToStr(a.Y) + " sleep 0.3 mousedown 1 sleep 0.3 mousemove --sync " +
          IntToStr(a.X + 15) + " " + IntToStr(a.Y + 10) + " sleep 0.2 mousemove --sync " + IntToStr(b.X) + " " +
          IntToStr(b.Y) + " sleep 0.3 mouseup 1");
  EXPECT_TRUE(RunUntil([&] { return f[0]->Area() == faData; }, 4000));
  RunUntil([] { return false; }, 500);
  EXPECT_EQ(moved, 1);
  EXPECT_EQ(f[0]->AreaIndex(), 1);
  EXPECT_EQ(grid->DragOperation(), nullptr);
  // The screen shows the grid's own painting only: compare by eye with the sheet before.
  THeadlessBackend::SaveScreenPng(testing_support::SheetPath("pivotgrid_sdl_after.png"));
  form->Free();
  SetBackend(nullptr);
}

// The filter drop-down opened by a real click; two values unchecked and "Ok" pressed by real
// clicks (sent by a timer once the drop-down shows, since its loop runs meanwhile): their rows
// go.
TEST(SdlPivotTest, DISABLED_FilterDropDownByRealClicks) {
  TSdlBackend backend;
  SetBackend(&backend);
  auto* form = new TForm(Application);
  form->SetCaption("Pivot filter");
  form->SetBounds(40, 40, 660, 360);
  auto* grid = new TcxCustomPivotGrid(form);
  grid->SetParent(form);
  grid->SetBounds(10, 10, 630, 300);
  TcxPivotGridField* region = grid->CreateField();
  region->DataBinding()->SetValueType("String");
  region->SetCaption("Region");
  TcxPivotGridField* amount = grid->CreateField();
  amount->DataBinding()->SetValueType("Float");
  amount->SetCaption("Amount");
  grid->BeginUpdate();
  const char* regions[] = {"East", "North", "South", "West"};
  grid->DataController()->SetRecordCount(4);
  for (int r = 0; r < 4; ++r) {
    grid->DataController()->SetValue(r, 0, regions[r]);
    grid->DataController()->SetValue(r, 1, 10.0 * (r + 1));
  }
  region->SetArea(faRow);
  region->SetVisible(true);
  amount->SetArea(faData);
  amount->SetVisible(true);
  grid->EndUpdate();
  form->Show();
  RunUntil([] { return false; }, 700);
  grid->SetFocus();
  EXPECT_TRUE(RunUntil([&] { return grid->Focused(); }, 2000));

  auto screenCenter = [](TWinControl* c, const TRect& r) {
    TPoint p = c->ClientToScreen(TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    return IntToStr(p.X) + " " + IntToStr(p.Y);
  };
  auto* timer = new TTimer(form);
  timer->SetInterval(200);
  bool sent = false;
  timer->SetOnTimer([&](TObject*) {
    TcxPivotGridFilterPopup* popup = grid->Controller()->FilterPopup;
    if (sent || !popup || !popup->DroppedDown()) return;
    sent = true;
    THeadlessBackend::SaveScreenPng(testing_support::SheetPath("pivotgrid_sdl_filter_open.png"));
    TcxCustomInnerCheckListBox* list = popup->CheckList->InnerCheckListBox();
    Xdotool("mousemove --sync " + screenCenter(list, list->CheckRect(1)) + " click 1 sleep 0.3 mousemove --sync " +
            screenCenter(list, list->CheckRect(3)) + " click 1 sleep 0.3 mousemove --sync " +
            screenCenter(popup->OkButton, TRect(0, 0, popup->OkButton->Width(), popup->OkButton->Height())) +
            " click 1");
  });
  region->GetHeaderViewInfo()->CheckCalculated();
  Xdotool("mousemove --sync " + screenCenter(grid, region->GetHeaderViewInfo()->FilterButtonRect) + " click 1");
  EXPECT_TRUE(RunUntil([&] { return region->Filter()->Values()->Count() == 2; }, 6000));
  RunUntil([] { return false; }, 500);
  EXPECT_TRUE(sent);
  EXPECT_FALSE(region->Filter()->IncludeMode());
  grid->CheckChanges();
  EXPECT_EQ(grid->ViewData()->RowCount(), 3);  // North, West and the grand total
  THeadlessBackend::SaveScreenPng(testing_support::SheetPath("pivotgrid_sdl_filter_after.png"));
  form->Free();
  SetBackend(nullptr);
}

// The field list shown, a hidden field dragged by real input from the list into the row area.
TEST(SdlPivotTest, DISABLED_DragFromTheFieldListIntoTheRowArea) {
  TSdlBackend backend;
  SetBackend(&backend);
  auto* form = new TForm(Application);
  form->SetCaption("Pivot field list");
  form->SetBounds(40, 40, 660, 360);
  auto* grid = new TcxCustomPivotGrid(form);
  grid->SetParent(form);
  grid->SetBounds(10, 10, 630, 300);
  const char* names[] = {"Region", "City", "Amount"};
  const char* types[] = {"String", "String", "Float"};
  TcxPivotGridField* f[3];
  for (int i = 0; i < 3; ++i) {
    f[i] = grid->CreateField();
    f[i]->DataBinding()->SetValueType(types[i]);
    f[i]->SetCaption(names[i]);
  }
  grid->BeginUpdate();
  grid->DataController()->SetRecordCount(3);
  Variant rows[3][3] = {{"North", "Oslo", 10.0}, {"North", "Bergen", 7.0}, {"South", "Rome", 2.0}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) grid->DataController()->SetValue(r, c, rows[r][c]);
  f[0]->SetArea(faRow);
  f[0]->SetVisible(true);
  f[1]->SetArea(faRow);
  f[2]->SetArea(faData);
  f[2]->SetVisible(true);
  grid->EndUpdate();
  int moved = 0;
  grid->OnFieldPosChanged = [&](TcxCustomPivotGrid*, TcxPivotGridField*) { ++moved; };
  form->Show();
  RunUntil([] { return false; }, 700);
  grid->Customization()->SetVisible(true);
  auto* list = dynamic_cast<TcxPivotGridCustomizationForm*>(grid->Customization()->FormIfCreated());
  ASSERT_NE(list, nullptr);
  RunUntil([] { return false; }, 700);
  ASSERT_EQ(list->FieldList->Count(), 1);
  THeadlessBackend::SaveScreenPng(testing_support::SheetPath("pivotgrid_sdl_field_list_before.png"));

  TRect item = list->FieldList->ItemRect(0);
  TPoint a = list->FieldList->ClientToScreen(TPoint((item.Left + item.Right) / 2, (item.Top + item.Bottom) / 2));
  TRect to = f[0]->GetHeaderViewInfo()->Bounds;
  TPoint b = grid->ClientToScreen(TPoint(to.Right - 3, (to.Top + to.Bottom) / 2));
  Xdotool("mousemove --sync " + IntToStr(a.X) + " " + IntToStr(a.Y) + " sleep 0.3 mousedown 1 sleep 0.3 mousemove --sync " +
          IntToStr(a.X - 15) + " " + IntToStr(a.Y - 10) + " sleep 0.2 mousemove --sync " + IntToStr(b.X) + " " +
          IntToStr(b.Y) + " sleep 0.3 mouseup 1");
  EXPECT_TRUE(RunUntil([&] { return f[1]->Visible(); }, 4000));
  RunUntil([] { return false; }, 500);
  EXPECT_EQ(f[1]->Area(), faRow);
  EXPECT_EQ(f[1]->AreaIndex(), 1);
  EXPECT_EQ(moved, 1);
  EXPECT_EQ(list->FieldList->Count(), 0);
  EXPECT_EQ(list->FieldList->DragOperation(), nullptr);
  THeadlessBackend::SaveScreenPng(testing_support::SheetPath("pivotgrid_sdl_field_list_after.png"));
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
