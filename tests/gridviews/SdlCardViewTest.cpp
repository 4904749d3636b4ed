// Card rows moved and hidden with the real mouse on a desktop through the SDL2 backend and
// xdotool: a row caption dragged to the top of a card moves the row; dropped on the rows
// customization form it hides the row, and dragged back from the form's list it shows again.
// Run by hand:
//   xvfb-run -a build/tests/test_gridviews --gtest_also_run_disabled_tests --gtest_filter=SdlCardView*
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "gridviews/cxGridCardViewDragDrop.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "vcl/Forms.h"

namespace {

using desktopcheck::DragOnScreen;
using desktopcheck::RunUntil;

TEST(SdlCardViewTest, DISABLED_RowsMovedAndHiddenWithTheRealMouse) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeCxGridCardView();
  auto* form = new TForm(Application);
  form->SetCaption("Cards");
  form->SetBounds(40, 40, 520, 380);
  auto* grid = new TcxGrid(form);
  grid->SetBounds(10, 10, 490, 330);
  grid->SetParent(form);
  auto* view = static_cast<TcxGridCardView*>(grid->CreateView(TcxGridCardView::StaticClass()));
  grid->Levels()->Add()->SetGridView(view);
  for (const char* c : {"Name", "City", "Amount"}) view->CreateRow()->SetCaption(c);
  view->GetOptionsCustomize()->SetItemMoving(true);
  TcxCustomDataController* dc = view->DataController();
  dc->SetRecordCount(6);
  for (int r = 0; r < 6; ++r) {
    dc->SetValue(r, 0, Variant("Person " + IntToStr(r)));
    dc->SetValue(r, 1, Variant("Town " + IntToStr(r)));
    dc->SetValue(r, 2, Variant(r * 10));
  }
  Integer moved = 0;
  view->OnRowPosChanged = [&](TcxGridCardView*, TcxGridCardViewRow*) { ++moved; };
  form->Show();
  RunUntil([] { return false; }, 700);
  auto card = [&] { return static_cast<TcxGridCardViewInfo*>(view->GetViewInfo()->GetCardsViewInfo()->Items(0)); };
  auto site = [&](Integer x, Integer y) { return view->Site()->ClientToScreen(TPoint(x, y)); };
  TcxGridCardViewRow* amount = view->GetRow(2);

  // Amount's caption to the upper half of the first row.
  TRect caption = card()->CaptionBounds(2), first = card()->RowBounds(0);
  TPoint from = site(caption.Left + 8, (caption.Top + caption.Bottom) / 2), to = site(first.Left + 20, first.Top + 2);
  DragOnScreen(from.X, from.Y, to.X, to.Y);
  EXPECT_TRUE(RunUntil([&] { return amount->VisibleIndex() == 0; }, 3000));
  EXPECT_EQ(moved, 1);
  RunUntil([] { return false; }, 300);
  THeadlessBackend::SaveScreenPng(testing_support::SheetPath("gridviews_sdl_cards_row_moved.png"));

  // Onto the customization form: hidden there; back from its list: shown at the end.
  view->Controller()->SetCustomizationFormBounds(TRect(600, 60, 760, 300));
  view->ShowCustomizationForm();
  RunUntil([] { return false; }, 500);
  auto* custom = dynamic_cast<TcxGridCardViewCustomizationForm*>(view->Controller()->CustomizationForm());
  ASSERT_NE(custom, nullptr);
  caption = card()->CaptionBounds(0);
  from = site(caption.Left + 8, (caption.Top + caption.Bottom) / 2);
  DragOnScreen(from.X, from.Y, 680, 200);
  EXPECT_TRUE(RunUntil([&] { return !amount->Visible(); }, 3000));
  RunUntil([] { return false; }, 300);
  ASSERT_EQ(custom->ItemsListBox()->Items()->Count(), 1);
  THeadlessBackend::SaveScreenPng(testing_support::SheetPath("gridviews_sdl_cards_customization_form.png"));
  const TRect item = custom->ItemsListBox()->ItemRect(0);
  from = custom->ItemsListBox()->ClientToScreen(TPoint(item.Left + 10, (item.Top + item.Bottom) / 2));
  TRect last = card()->RowBounds(card()->RowCount() - 1);
  to = site(last.Left + 20, last.Bottom - 2);
  DragOnScreen(from.X, from.Y, to.X, to.Y);
  EXPECT_TRUE(RunUntil([&] { return amount->Visible(); }, 3000));
  EXPECT_EQ(amount->VisibleIndex(), 2);
  EXPECT_EQ(custom->ItemsListBox()->Items()->Count(), 0);
  EXPECT_EQ(moved, 3);
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
