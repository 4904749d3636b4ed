// The data navigator of a table view over an in-memory data set on a desktop through the SDL2
// backend, driven by real clicks from xdotool: Next, Last, Prior and First move the focus, a
// click on a disabled button does nothing, holding Next repeats it, and a hint shows over a
// button. Run by hand under a display:
//   xvfb-run -a build/tests/test_gridviews --gtest_also_run_disabled_tests --gtest_filter=SdlNavigator*
#include <gtest/gtest.h>

#include <string>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "db/ADODB.h"
#include "db/MemDataSet.h"
#include "gridviews/cxGridDBTableView.h"
#include "gridviews/cxGridTableViewInfo.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "vcl/Forms.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::Xdotool;

TEST(SdlNavigatorTest, DISABLED_ButtonsTakeRealClicks) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeADODB();
  InitializeCxGridDBTableView();
  auto* form = new TForm(Application);
  form->SetCaption("Navigator");
  form->SetBounds(40, 40, 520, 320);
  auto* ds = new TMemDataSet(form);
  ds->AddFieldDef("City", ftString, 20);
  ds->AddFieldDef("Amount", ftInteger);
  for (int i = 0; i < 40; ++i) ds->AppendRow({Variant("City" + std::to_string(i)), Variant(i)});
  ds->Open();
  auto* source = new TDataSource(form);
  source->SetDataSet(ds);
  auto* grid = new TcxGrid(form);
  grid->SetBounds(10, 10, 490, 270);
  grid->SetParent(form);
  grid->LookAndFeel()->SetKind(lfUltraFlat);
  auto* view = static_cast<TcxGridDBTableView*>(grid->CreateView(TcxGridDBTableView::StaticClass()));
  grid->Levels()->Add()->SetGridView(view);
  view->GetDataController()->SetDataSource(source);
  view->GetDataController()->CreateAllItems();
  view->TableOptionsView()->SetNavigator(true);
  view->TableOptionsBehavior()->SetNavigatorHints(true);
  form->Show();
  RunUntil([] { return false; }, 700);
  TcxNavigatorViewInfo* nav = view->GetViewInfo()->NavigatorViewInfo();
  ASSERT_EQ(nav->ButtonCount(), 15);
  auto at = [&](Integer kind) {
    const TRect r = nav->ButtonViewInfo(kind).Bounds;
    const TPoint p = view->Site()->ClientToScreen(TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    return IntToStr(p.X) + " " + IntToStr(p.Y);
  };
  auto row = [&] { return view->DataController()->FocusedRowIndex(); };
  ASSERT_EQ(row(), 0);

  Xdotool("mousemove --sync " + at(NBDI_FIRST) + " click 1");
  RunUntil([] { return false; }, 400);
  EXPECT_EQ(row(), 0) << "First is disabled on the first record";
  Xdotool("mousemove --sync " + at(NBDI_NEXT) + " click 1");
  EXPECT_TRUE(RunUntil([&] { return row() == 1; }, 3000));
  Xdotool("mousemove --sync " + at(NBDI_LAST) + " click 1");
  EXPECT_TRUE(RunUntil([&] { return row() == 39; }, 3000));
  Xdotool("mousemove --sync " + at(NBDI_PRIOR) + " click 1");
  EXPECT_TRUE(RunUntil([&] { return row() == 38; }, 3000));
  Xdotool("mousemove --sync " + at(NBDI_FIRST) + " click 1");
  EXPECT_TRUE(RunUntil([&] { return row() == 0; }, 3000));

  // Held, Next repeats after its first pause.
  Xdotool("mousemove --sync " + at(NBDI_NEXT) + " mousedown 1");
  EXPECT_TRUE(RunUntil([&] { return row() >= 4; }, 3000));
  Xdotool("mouseup 1");
  RunUntil([] { return false; }, 300);
  const Integer held = row();
  RunUntil([] { return false; }, 500);
  EXPECT_EQ(row(), held) << "the release stops the repeat";

  // Resting over a button shows its hint.
  Xdotool("mousemove --sync " + at(NBDI_REFRESH));
  EXPECT_TRUE(RunUntil([&] { return nav->HintWindow() && nav->HintWindow()->Caption() == "Refresh data"; }, 3000));
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("gridviews_sdl_navigator.png"));
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
