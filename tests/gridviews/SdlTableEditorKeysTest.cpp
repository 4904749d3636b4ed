// A cell's in-place editor on a desktop through the SDL2 backend, driven by real input from
// xdotool: a click opens the editor, Down twice moves the focused row from inside the editor,
// typing opens the editor of the new row's cell and the text lands in that row. Run by hand:
//   xvfb-run -a build/tests/test_gridviews --gtest_also_run_disabled_tests --gtest_filter=SdlTableEditorKeys*
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
using desktopcheck::XdotoolAndWait;

TEST(SdlTableEditorKeysTest, DISABLED_ClickDownDownAndTypeLandsTwoRowsBelow) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeADODB();
  InitializeCxGridDBTableView();
  auto* form = new TForm(Application);
  form->SetCaption("Grouping Matrix");
  form->SetBounds(40, 40, 420, 300);
  TMemDataSet data(nullptr);
  data.AddFieldDef("Country", ftString, 20);
  data.AddFieldDef("City", ftString, 20);
  const char* rows[][2] = {{"Japan", "Tokyo"}, {"Japan", "Osaka"}, {"France", "Paris"},
                           {"France", "Lyon"},  {"Chile", "Lima"},  {"Peru", "Cusco"}};
  for (auto& r : rows) data.AppendRow({Variant(r[0]), Variant(r[1])});
  data.Open();
  TDataSource source(nullptr);
  source.SetDataSet(&data);
  auto* grid = new TcxGrid(form);
  grid->SetBounds(10, 10, 390, 250);
  grid->SetParent(form);
  grid->LookAndFeel()->SetKind(lfUltraFlat);
  auto* view = static_cast<TcxGridDBTableView*>(grid->CreateView(TcxGridDBTableView::StaticClass()));
  grid->Levels()->Add()->SetGridView(view);
  view->GetDataController()->SetDataSource(&source);
  view->GetDataController()->CreateAllItems();
  for (Integer i = 0; i < view->GetColumnCount(); ++i) view->GetColumn(i)->SetWidth(120);
  form->Show();
  RunUntil([] { return false; }, 700);
  TcxGridTableController* c = view->GetController();

  // A click on the second row's City cell opens its editor.
  TRect r = view->GetViewInfo()->RecordsViewInfo()->Items(1)->Bounds;
  TPoint p = view->Site()->ClientToScreen(TPoint(r.Left + 180, r.Top + 5));
  XdotoolAndWait("mousemove --sync " + IntToStr(p.X) + " " + IntToStr(p.Y) + " click 1");
  EXPECT_TRUE(RunUntil([&] { return c->FocusedRowIndex() == 1 && c->EditingController()->IsEditing(); }, 3000));
  // Down twice from inside the editor: the fourth row is focused, its City cell too.
  XdotoolAndWait("key Down");
  XdotoolAndWait("key Down");
  EXPECT_TRUE(RunUntil([&] { return c->FocusedRowIndex() == 3; }, 3000));
  EXPECT_EQ(c->FocusedItem(), view->GetColumn(1));
  // Typing opens the editor there; Enter hands the text to the record, Up posts it.
  XdotoolAndWait("type Nice");
  EXPECT_TRUE(RunUntil([&] { return c->EditingController()->IsEditing(); }, 3000));
  XdotoolAndWait("key Return");
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("gridviews_sdl_editor_keys.png"));
  XdotoolAndWait("key Up");
  EXPECT_TRUE(RunUntil([&] { return c->FocusedRowIndex() == 2 && data.State() == dsBrowse; }, 3000));
  auto* dc = view->GetDataController();
  EXPECT_EQ(VarToStr(dc->GetValue(3, 1)), "Nice");
  EXPECT_EQ(VarToStr(dc->GetValue(1, 1)), "Osaka");
  EXPECT_EQ(VarToStr(dc->GetValue(2, 1)), "Paris");
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
