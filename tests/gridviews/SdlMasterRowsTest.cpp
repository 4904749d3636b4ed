// Master rows and top-level tabs on a desktop through the SDL2 backend, driven by real input from
// xdotool: a click on a master row's expand button shows its detail and a second click hides
// it; clicks on the top-level tabs switch the grid's active level. Run by hand under a display:
//   xvfb-run -a build/tests/test_gridviews --gtest_also_run_disabled_tests --gtest_filter=SdlMasterRows*
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "db/ADODB.h"
#include "db/MemDataSet.h"
#include "gridviews/cxGridDBTableView.h"
#include "gridviews/cxGridRows.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "vcl/Forms.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::ClickAt;

TEST(SdlMasterRowsTest, DISABLED_ExpandButtonsAndTopLevelTabsTakeRealClicks) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeADODB();
  InitializeCxGridDBTableView();
  auto* form = new TForm(Application);
  form->SetCaption("Master rows");
  form->SetBounds(40, 40, 560, 420);
  TMemDataSet countries{nullptr}, cities{nullptr};
  TDataSource countrySource{nullptr}, citySource{nullptr};
  countries.AddFieldDef("Country", ftString, 20);
  countries.AddFieldDef("Capital", ftString, 20);
  countries.AppendRow({Variant("Japan"), Variant("Tokyo")});
  countries.AppendRow({Variant("Peru"), Variant("Lima")});
  countries.Open();
  countrySource.SetDataSet(&countries);
  cities.AddFieldDef("Country", ftString, 20);
  cities.AddFieldDef("City", ftString, 20);
  cities.AppendRow({Variant("Japan"), Variant("Osaka")});
  cities.AppendRow({Variant("Japan"), Variant("Kyoto")});
  cities.AppendRow({Variant("Peru"), Variant("Cusco")});
  cities.Open();
  citySource.SetDataSet(&cities);

  auto* grid = new TcxGrid(form);
  grid->SetBounds(10, 10, 530, 370);
  grid->SetParent(form);
  grid->RootLevel()->Options()->SetDetailTabsPosition(dtpTop);
  TcxGridLevel* level = grid->Levels()->Add();
  level->SetCaption("Countries");
  auto* master = static_cast<TcxGridDBTableView*>(grid->CreateView(TcxGridDBTableView::StaticClass()));
  master->SetName("master");
  level->SetGridView(master);
  master->GetDataController()->SetDataSource(&countrySource);
  master->GetDataController()->CreateAllItems();
  master->GetDataController()->SetKeyFieldNames("Country");
  TcxGridLevel* detailLevel = level->Add();
  detailLevel->SetCaption("Cities");
  auto* detail = static_cast<TcxGridDBTableView*>(grid->CreateView(TcxGridDBTableView::StaticClass()));
  detail->SetName("detail");
  detailLevel->SetGridView(detail);
  detail->GetDataController()->SetDataSource(&citySource);
  detail->GetDataController()->CreateAllItems();
  detail->GetDataController()->SetDetailKeyFieldNames("Country");
  detail->GetDataController()->SetMasterKeyFieldNames("Country");
  TcxGridLevel* other = grid->Levels()->Add();
  other->SetCaption("Cities only");
  auto* plain = static_cast<TcxGridDBTableView*>(grid->CreateView(TcxGridDBTableView::StaticClass()));
  plain->SetName("plain");
  other->SetGridView(plain);
  plain->GetDataController()->SetDataSource(&citySource);
  plain->GetDataController()->CreateAllItems();
  form->Show();
  RunUntil([] { return false; }, 700);

  // A real click on Japan's expand button shows its detail under the row.
  auto rowInfo = [&]() -> TcxGridMasterDataRowViewInfo* {
    auto* rows = static_cast<TcxGridRowsViewInfo*>(master->GetViewInfo()->RecordsViewInfo());
    return rows->Count() > 0 ? dynamic_cast<TcxGridMasterDataRowViewInfo*>(rows->Row(0)) : nullptr;
  };
  auto japan = [&] { return dynamic_cast<TcxGridMasterDataRow*>(master->GetViewData()->GetRow(0)); };
  ASSERT_NE(rowInfo(), nullptr);
  TRect button = rowInfo()->ExpandButtonBounds;
  ASSERT_FALSE(button.IsEmpty());
  ClickAt(master->Site(), TPoint(button.Left + button.Width() / 2, button.Top + button.Height() / 2));
  EXPECT_TRUE(RunUntil([&] { return japan()->GetExpanded(); }, 3000));
  EXPECT_TRUE(RunUntil(
      [&] {
        TcxCustomGridView* d = japan()->GetActiveDetailGridView();
        return d && d->Site() && d->Site()->HandleAllocated() && d->Site()->Visible() && rowInfo() &&
               rowInfo()->IsDetailsSiteVisible();
      },
      3000));
  RunUntil([] { return false; }, 500);
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("gridviews_sdl_master_rows.png"));
  // A second click collapses it (after a click elsewhere: two clicks at one spot are a double
  // click on the desktop).
  ClickAt(form, TPoint(300, 5));
  RunUntil([] { return false; }, 800);
  button = rowInfo()->ExpandButtonBounds;
  ClickAt(master->Site(), TPoint(button.Left + button.Width() / 2, button.Top + button.Height() / 2));
  EXPECT_TRUE(RunUntil([&] { return !japan()->GetExpanded(); }, 3000));

  // Clicks on the top-level tabs switch the active level and back.
  TcxGridTopDetailsSiteViewInfo* top = grid->ViewInfo()->DetailsSiteViewInfo();
  ASSERT_NE(top->TabsViewInfo(), nullptr);
  TRect tab = top->TabsViewInfo()->GetTab(1)->Bounds;
  ClickAt(grid, TPoint(tab.Left + 6, tab.Top + 5));
  EXPECT_TRUE(RunUntil([&] { return grid->ActiveLevel() == other; }, 3000));
  RunUntil([] { return false; }, 500);
  EXPECT_TRUE(plain->Site() && plain->Site()->Visible());
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("gridviews_sdl_top_tabs.png"));
  top = grid->ViewInfo()->DetailsSiteViewInfo();
  tab = top->TabsViewInfo()->GetTab(0)->Bounds;
  ClickAt(grid, TPoint(tab.Left + 6, tab.Top + 5));
  EXPECT_TRUE(RunUntil([&] { return grid->ActiveLevel() == level; }, 3000));
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
