// A record view over in-memory records on a desktop through the SDL2 backend, driven by real
// input from xdotool: a click and typing edit a cell, Enter posts it, Tab (with
// FocusCellOnTab) moves to the next cell, Esc cancels. Run by hand under a display:
//   xvfb-run -a build/tests/test_grid --gtest_also_run_disabled_tests --gtest_filter=SdlGridTable*
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "editors/cxTextEdit.h"
#include "rtl/SysUtils.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/grid/RowView.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "user/Windows.h"
#include "vcl/StdCtrls.h"

using namespace gridtest;

namespace {

using desktopcheck::RunUntil;
using desktopcheck::XdotoolAndWait;

TEST(SdlGridTableTest, DISABLED_ClickTypeEnterTabAndEsc) {
  TSdlBackend backend;
  SetBackend(&backend);
  RegisterTestViewClasses();
  auto* form = new TForm(Application);
  form->SetCaption("Records");
  form->SetBounds(40, 40, 460, 300);
  auto* grid = new TcxGrid(form);
  grid->SetBounds(10, 10, 340, 240);
  grid->SetParent(form);
  auto* view = static_cast<TRowsView*>(grid->CreateView(TRowsView::StaticClass()));
  grid->Levels()->Add()->SetGridView(view);
  for (int c = 0; c < 3; ++c) {
    auto* item = view->CreateItem();
    item->SetPropertiesClass(TcxTextEditProperties::StaticClass());
    item->SetWidth(90);
  }
  TcxCustomDataController* dc = view->DataController();
  dc->SetRecordCount(8);
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 3; ++c) dc->SetValue(r, c, Variant(String("r" + std::to_string(r) + "c" + std::to_string(c))));
  view->TableOptionsBehavior()->SetFocusCellOnTab(true);
  view->TableOptionsBehavior()->SetImmediateEditor(true);
  form->Show();
  view->Site()->SetWantedKeys(TcxWantedKeys{wkArrows, wkChars, wkTab});
  RunUntil([] { return false; }, 700);
  TRowsController* controller = view->Ctrl();
  auto cellPoint = [&](Integer row, Integer column) {
    TcxGridTableDataCellViewInfo* cell =
        static_cast<TRowRecordViewInfo*>(view->Info()->Rows()->Items(row))->Cell(column);
    return view->Site()->ClientToScreen(TPoint(cell->Bounds.Left + 12, cell->Bounds.Top + cell->Bounds.Height() / 2));
  };
  // A click on a cell opens its editor on mouse up; typing replaces the text; Enter posts.
  TPoint p = cellPoint(2, 1);
  XdotoolAndWait("mousemove --sync " + IntToStr(p.X) + " " + IntToStr(p.Y) + " click 1");
  EXPECT_TRUE(RunUntil([&] { return controller->IsEditing(); }, 3000));
  EXPECT_EQ(controller->FocusedRowIndex(), 2);
  XdotoolAndWait("key --clearmodifiers ctrl+a");
  XdotoolAndWait("type --delay 30 typed");
  XdotoolAndWait("key --clearmodifiers Return");
  EXPECT_TRUE(RunUntil([&] { return !controller->IsEditing(); }, 3000));
  dc->PostEditingData();
  if (dc->IsEditing()) dc->Post();
  EXPECT_EQ(VarToStr(dc->GetValue(2, 1)), "typed");
  // Tab moves to the next cell.
  XdotoolAndWait("key --clearmodifiers Tab");
  EXPECT_TRUE(RunUntil([&] { return controller->FocusedItem() == view->Items(2); }, 3000));
  // Typing opens the editor by the key; Esc cancels it and the value stays.
  XdotoolAndWait("type --delay 30 x");
  EXPECT_TRUE(RunUntil([&] { return controller->IsEditing(); }, 3000));
  XdotoolAndWait("key --clearmodifiers Escape");
  EXPECT_TRUE(RunUntil([&] { return !controller->IsEditing(); }, 3000));
  XdotoolAndWait("key --clearmodifiers Escape");
  RunUntil([] { return false; }, 300);
  EXPECT_EQ(VarToStr(dc->GetValue(2, 2)), "r2c2");
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("grid_table_sdl.png"));
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
