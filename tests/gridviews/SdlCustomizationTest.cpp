// The filter drop-down and the customization form on a desktop through the SDL2 backend,
// driven by real input from xdotool: a click on the Country header's filter button opens the
// drop-down, a click on "France" filters the rows; a header dropped on the customization form
// hides its column and dragged back from the form's list shows it again. Run by hand:
//   xvfb-run -a build/tests/test_gridviews --gtest_also_run_disabled_tests --gtest_filter=SdlCustomization*
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "grid/cxGridFilterPopup.h"
#include "gridviews/cxGridTableCustomization.h"
#include "gridviews/cxGridTableViewInfo.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "vcl/Forms.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::Xdotool;

void MoveTo(const TPoint& s) { desktopcheck::MoveTo(s.X, s.Y); }

void DragOnScreen(const TPoint& a, const TPoint& b) { desktopcheck::DragOnScreen(a.X, a.Y, b.X, b.Y); }

TEST(SdlCustomizationTest, DISABLED_FilterDropDownAndCustomizationFormWithTheRealMouse) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeCxGridTableView();
  auto* form = new TForm(Application);
  form->SetCaption("Grouping Matrix");
  form->SetBounds(40, 40, 520, 380);
  auto* grid = new TcxGrid(form);
  grid->SetBounds(10, 10, 490, 330);
  grid->SetParent(form);
  auto* view = static_cast<TcxGridTableView*>(grid->CreateView(TcxGridTableView::StaticClass()));
  grid->Levels()->Add()->SetGridView(view);
  const char* captions[] = {"Country", "City", "Amount"};
  for (const char* c : captions) {
    view->CreateItem()->SetCaption(c);
    view->GetColumn(view->GetColumnCount() - 1)->SetWidth(120);
  }
  TcxCustomDataController* dc = view->DataController();
  const char* countries[] = {"Japan", "France", "Chile"};
  dc->SetRecordCount(30);
  for (int r = 0; r < 30; ++r) {
    dc->SetValue(r, 0, Variant(countries[r % 3]));
    dc->SetValue(r, 1, Variant("City" + IntToStr(r)));
    dc->SetValue(r, 2, Variant(IntToStr((r * 37) % 100)));
  }
  form->Show();
  RunUntil([] { return false; }, 700);

  // The Country filter button opens the drop-down; "France" filters the rows.
  TcxGridColumnHeaderViewInfo* header = view->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(0);
  TRect button;
  for (Integer i = 0; i < header->AreaViewInfoCount(); ++i)
    if (dynamic_cast<TcxGridColumnHeaderFilterButtonViewInfo*>(header->AreaViewInfo(i))) button = header->AreaViewInfo(i)->Bounds;
  ASSERT_FALSE(button.IsEmpty());
  const TPoint center = view->Site()->ClientToScreen(TPoint((button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2));
  auto* controller = static_cast<TcxCustomGridTableController*>(view->Controller());
  auto opened = [&] { return controller->HasFilterPopup() && controller->FilterPopup()->PopupVisible(); };
  // A press opens the drop-down of a hot button: the pointer comes over it first (moves that
  // the display merges are tried again).
  for (int attempt = 0; attempt < 3 && !opened(); ++attempt) {
    MoveTo(TPoint(center.X - 30, center.Y));
    RunUntil([] { return false; }, 150);
    MoveTo(center);
    RunUntil([] { return false; }, 250);
    Xdotool("click 1");
    RunUntil(opened, 1000);
  }
  ASSERT_TRUE(opened());
  TcxGridFilterPopup* popup = controller->FilterPopup();
  RunUntil([] { return false; }, 400);
  THeadlessBackend::SaveScreenPng(testing_support::SheetPath("gridviews_sdl_filter_drop_down.png"));
  const Integer france = popup->Strings()->IndexOf("France");
  ASSERT_NE(france, -1);
  const TRect line = popup->ListBox()->ItemRect(france);
  const TPoint at = popup->ListBox()->ClientToScreen(TPoint(line.Left + 10, (line.Top + line.Bottom) / 2));
  MoveTo(at);
  RunUntil([] { return false; }, 300);
  Xdotool("click 1");
  EXPECT_TRUE(RunUntil([&] { return dc->RowCount() == 10; }, 3000));
  EXPECT_FALSE(popup->PopupVisible());

  // The customization form: the City header dropped on it hides City, dragged back shows it.
  view->GetOptionsCustomize()->SetItemHiding(true);
  view->Controller()->SetCustomizationFormBounds(TRect(600, 60, 760, 300));
  view->ShowCustomizationForm();
  RunUntil([] { return false; }, 500);
  auto* custom = dynamic_cast<TcxGridTableCustomizationForm*>(view->Controller()->CustomizationForm());
  ASSERT_NE(custom, nullptr);
  header = view->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(1);
  DragOnScreen(view->Site()->ClientToScreen(TPoint(header->Bounds.Left + 10, header->Bounds.Top + 5)), TPoint(680, 200));
  EXPECT_TRUE(RunUntil([&] { return !view->GetColumn(1)->Visible(); }, 3000));
  RunUntil([] { return false; }, 300);
  ASSERT_EQ(custom->ItemsListBox()->Items()->Count(), 1);
  THeadlessBackend::SaveScreenPng(testing_support::SheetPath("gridviews_sdl_customization_form.png"));
  const TRect item = custom->ItemsListBox()->ItemRect(0);
  header = view->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(0);
  const TPoint from = custom->ItemsListBox()->ClientToScreen(TPoint(item.Left + 10, (item.Top + item.Bottom) / 2));
  const TPoint to = view->Site()->ClientToScreen(TPoint(header->Bounds.Left + 3, header->Bounds.Top + 5));
  DragOnScreen(from, to);
  RunUntil([] { return false; }, 300);
  EXPECT_TRUE(RunUntil([&] { return view->GetColumn(1)->Visible(); }, 3000));
  EXPECT_TRUE(custom->ItemsListBox()->Items()->Count() == 0);
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
