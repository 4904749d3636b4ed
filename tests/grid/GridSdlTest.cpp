// A grid and a button on a desktop through the SDL2 backend, driven by real input from
// xdotool: Tab moves into the grid's view and out again (Shift+Tab back), and a cell hint
// follows the real mouse. Run by hand under a display (xdotool installed):
//   xvfb-run -a build/tests/test_grid --gtest_also_run_disabled_tests --gtest_filter=SdlGrid*
#include <gtest/gtest.h>

#include <cstdlib>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "rtl/SysUtils.h"
#include "tests/grid/GridTestSupport.h"
#include "user/Windows.h"
#include "vcl/StdCtrls.h"

using namespace gridtest;

namespace {

using desktopcheck::RunUntil;
using desktopcheck::Xdotool;

TEST(SdlGridTest, DISABLED_TabMovesInAndOutAndAHintFollowsTheMouse) {
  TSdlBackend backend;
  SetBackend(&backend);
  RegisterTestViewClasses();
  auto* form = new TForm(Application);
  form->SetCaption("Grid");
  form->SetBounds(40, 40, 460, 300);
  auto* button = new TButton(form);
  button->SetCaption("Button");
  button->SetBounds(360, 10, 80, 26);
  button->SetParent(form);
  button->SetTabOrder(0);
  auto* grid = new TcxGrid(form);
  grid->SetBounds(10, 10, 340, 240);
  grid->SetParent(form);
  grid->SetTabOrder(1);
  auto* view = static_cast<TTestView*>(grid->CreateView(TTestView::StaticClass()));
  view->Cells = {"A text far wider than the cell that holds it", "Two", "Three"};
  grid->Levels()->Add()->SetGridView(view);
  form->Show();
  view->Site()->SetWantedKeys(TcxWantedKeys{wkArrows, wkChars, wkTab});
  button->SetFocus();
  RunUntil([] { return false; }, 700);  // the window is mapped and painted

  // Tab from the button into the grid's view, Tab out of it to the button, Shift+Tab back in.
  Xdotool("key --clearmodifiers Tab");
  EXPECT_TRUE(RunUntil([&] { return view->Site()->Focused(); }, 3000));
  Xdotool("key --clearmodifiers Tab");
  EXPECT_TRUE(RunUntil([&] { return button->Focused(); }, 3000));
  Xdotool("key --clearmodifiers shift+Tab");
  EXPECT_TRUE(RunUntil([&] { return view->Site()->Focused(); }, 3000));

  // The mouse over the long text: its hint shows; away from the grid: it goes.
  TTestCell* cell = view->TestViewInfo()->Cells[0].get();
  TPoint p = view->Site()->ClientToScreen(TPoint(cell->Bounds.Left + 20, cell->Bounds.Top + 6));
  Xdotool("mousemove --sync " + IntToStr(p.X) + " " + IntToStr(p.Y));
  EXPECT_TRUE(RunUntil([&] { return view->Controller()->HintCell() == cell; }, 3000));
  RunUntil([] { return false; }, 300);
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("grid_sdl.png"));
  if (THintWindow* hint = view->Controller()->HintWindow())
    if (hint->HandleAllocated())
      THeadlessBackend::SaveWindowPng(hint->Handle(), testing_support::SheetPath("grid_sdl_hint.png"));
  TPoint away = button->ClientToScreen(TPoint(10, 10));
  // A jump straight from over the hint window to the form is not seen as a motion by the
  // backend; a small step after it is.
  Xdotool("mousemove --sync " + IntToStr(away.X) + " " + IntToStr(away.Y) + " mousemove_relative --sync 2 2");
  EXPECT_TRUE(RunUntil([&] { return view->Controller()->HintCell() == nullptr; }, 3000));
  if (const char* shot = std::getenv("KORVAN_SCREENSHOT")) std::system((String("import -window root ") + shot).c_str());
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
