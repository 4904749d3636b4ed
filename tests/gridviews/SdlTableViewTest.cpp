// The table view over a CSV file on a desktop through the SDL2 backend, driven by real input
// from xdotool: a header click sorts, the wheel and the scroll bar scroll, a click on a group
// row's expand button expands and collapses it; a header dragged into the group-by box groups
// the rows and dragged back ungroups them. Run by hand under a display:
//   xvfb-run -a build/tests/test_gridviews --gtest_also_run_disabled_tests --gtest_filter=SdlTable*
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "db/ADODB.h"
#include "gridviews/cxGridDBTableView.h"
#include "gridviews/cxGridRows.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "vcl/Forms.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::ClickAt;
using desktopcheck::Xdotool;

// A press, a few moves and a release with the real mouse.
void DragWithMouse(TControl* control, const TPoint& from, const TPoint& to) {
  TPoint a = control->ClientToScreen(from), b = control->ClientToScreen(to);
  Xdotool("mousemove --sync " + IntToStr(a.X) + " " + IntToStr(a.Y) + " mousedown 1");
  RunUntil([] { return false; }, 200);
  for (int i = 1; i <= 5; ++i) {
    Xdotool("mousemove --sync " + IntToStr(a.X + (b.X - a.X) * i / 5) + " " + IntToStr(a.Y + (b.Y - a.Y) * i / 5));
    RunUntil([] { return false; }, 100);
  }
  Xdotool("mouseup 1");
}

TEST(SdlTableViewTest, DISABLED_HeaderClicksSortTheWheelAndScrollBarScrollGroupsExpand) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "korvan_sdl_table";
  std::filesystem::create_directories(folder);
  {
    std::ofstream f(folder / "cities.csv", std::ios::binary);
    f << "Country,City,Amount\r\n";
    const char* countries[] = {"Japan", "France", "Chile"};
    for (int i = 0; i < 60; ++i) f << countries[i % 3] << ",City" << i << "," << (i * 37) % 100 << "\r\n";
  }
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeADODB();
  InitializeCxGridDBTableView();
  auto* form = new TForm(Application);
  form->SetCaption("Grouping Matrix");
  form->SetBounds(40, 40, 520, 380);
  auto* query = new TADOQuery(form);
  query->SetConnectionString("Provider=TextProvider;Extended Properties=\"DRIVER={Text Driver (*.txt; *.csv)};DBQ=" +
                             folder.string() + "\"");
  query->SQL()->SetText("SELECT TOP 100 * FROM cities.csv");
  query->Open();
  auto* source = new TDataSource(form);
  source->SetDataSet(query);
  auto* grid = new TcxGrid(form);
  grid->SetBounds(10, 10, 490, 330);
  grid->SetParent(form);
  grid->LookAndFeel()->SetKind(lfUltraFlat);
  auto* view = static_cast<TcxGridDBTableView*>(grid->CreateView(TcxGridDBTableView::StaticClass()));
  grid->Levels()->Add()->SetGridView(view);
  view->GetDataController()->SetDataSource(source);
  view->GetDataController()->CreateAllItems();
  view->ApplyBestFit();
  form->Show();
  RunUntil([] { return false; }, 700);
  TcxGridTableViewInfo* info = view->GetViewInfo();

  // A real click on the Amount header sorts by it, a second one reverses the order.
  TcxGridColumnHeaderViewInfo* header = info->HeaderViewInfo()->GetItemViewInfo(2);
  ClickAt(view->Site(), TPoint(header->Bounds.Left + 6, header->Bounds.Top + 4));
  EXPECT_TRUE(RunUntil([&] { return view->GetColumn(2)->SortOrder() == soAscending; }, 3000));
  // The sort mark now cuts the caption: its hint shows over the header until the mouse leaves.
  TPoint away = form->ClientToScreen(TPoint(5, 5));
  Xdotool("mousemove --sync " + IntToStr(away.X) + " " + IntToStr(away.Y) + " mousemove_relative --sync 2 2");
  RunUntil([] { return false; }, 800);
  header = view->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(2);
  ClickAt(view->Site(), TPoint(header->Bounds.Left + 6, header->Bounds.Top + 4));
  EXPECT_TRUE(RunUntil([&] { return view->GetColumn(2)->SortOrder() == soDescending; }, 3000));

  // The wheel scrolls the rows down.
  TRect rows = view->GetViewInfo()->RecordsViewInfo()->ContentBounds;
  TPoint over = view->Site()->ClientToScreen(TPoint(rows.Left + 40, rows.Top + 30));
  Xdotool("mousemove --sync " + IntToStr(over.X) + " " + IntToStr(over.Y) + " click 5");
  EXPECT_TRUE(RunUntil([&] { return view->GetController()->TopRecordIndex() > 0; }, 3000));
  // The scroll bar's up arrow scrolls back.
  const Integer top = view->GetController()->TopRecordIndex();
  TRect bar;
  view->Site()->VScrollBarRect(bar);
  ClickAt(view->Site(), TPoint((bar.Left + bar.Right) / 2, bar.Top + 5));
  EXPECT_TRUE(RunUntil([&] { return view->GetController()->TopRecordIndex() < top; }, 3000));
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("gridviews_sdl_sorted.png"));

  // The Country header dragged into the group-by box groups by country; a click on the first
  // group's expand button expands it, another collapses it.
  header = view->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(0);
  const TRect box = view->GetViewInfo()->GroupByBoxViewInfo()->Bounds;
  DragWithMouse(view->Site(), TPoint(header->Bounds.Left + 8, header->Bounds.Top + 5),
                TPoint(box.Left + 20, (box.Top + box.Bottom) / 2));
  EXPECT_TRUE(RunUntil([&] { return view->GetColumn(0)->GroupIndex() == 0; }, 3000));
  view->GetController()->SetTopRecordIndex(0);
  RunUntil([] { return false; }, 500);
  auto* group = dynamic_cast<TcxGridGroupRowViewInfo*>(view->GetViewInfo()->RecordsViewInfo()->Items(0));
  ASSERT_NE(group, nullptr);
  ClickAt(view->Site(), TPoint(group->ExpandButtonBounds.Left + 3, group->ExpandButtonBounds.Top + 3));
  EXPECT_TRUE(RunUntil([&] { return view->GetViewData()->GetRow(0)->GetExpanded(); }, 3000));
  // (The focused record's group was expanded with the grouping and scrolls into view.)
  view->GetController()->SetTopRecordIndex(0);
  RunUntil([] { return false; }, 600);
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("gridviews_sdl_grouped.png"));
  group = dynamic_cast<TcxGridGroupRowViewInfo*>(view->GetViewInfo()->RecordsViewInfo()->Items(0));
  ASSERT_NE(group, nullptr);
  Xdotool("mousemove --sync " + IntToStr(away.X) + " " + IntToStr(away.Y));
  RunUntil([] { return false; }, 600);
  ClickAt(view->Site(), TPoint(group->ExpandButtonBounds.Left + 3, group->ExpandButtonBounds.Top + 3));
  EXPECT_TRUE(RunUntil([&] { return !view->GetViewData()->GetRow(0)->GetExpanded(); }, 3000));
  // Dragged back from the box onto the header, the column is ungrouped and shown again.
  RunUntil([] { return false; }, 600);
  const TRect cell = view->GetViewInfo()->GroupByBoxViewInfo()->GetItemViewInfo(0)->Bounds;
  header = view->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(0);
  DragWithMouse(view->Site(), TPoint(cell.Left + 8, cell.Top + 5), TPoint(header->Bounds.Left + 3, header->Bounds.Top + 5));
  EXPECT_TRUE(RunUntil([&] { return view->GetColumn(0)->GroupIndex() < 0 && view->GetColumn(0)->Visible(); }, 3000));
  form->Free();
  SetBackend(nullptr);
  std::filesystem::remove_all(folder);
}

}  // namespace
