// Streaming of a grid with its levels and views, renaming by prefix, and the site and the
// controller on the headless backend: the routing of keys, mouse and drag, Tab leaving the
// grid, cell hints and the deferred resize.
#include <gtest/gtest.h>

#include "tests/grid/GridTestSupport.h"
#include "user/Windows.h"
#include "vcl/FormReader.h"
#include "vcl/StdCtrls.h"

using namespace gridtest;

namespace {

class SiteStreamingTest : public GridFixture {};

const char* kGridForm = R"(object Form1: TForm
  Left = 0
  Top = 0
  Width = 400
  Height = 300
  object Grid1: TcxGrid
    Left = 8
    Top = 8
    Width = 320
    Height = 200
    DragOpeningWaitTime = 500
    object Grid1View1: TTestView
      OptionsView.CellCount = 4
    end
    object Grid1View2: TTestView
    end
    object Grid1Level1: TcxGridLevel
      Caption = 'Main'
      GridView = Grid1View1
      object Grid1Level2: TcxGridLevel
        GridView = Grid1View2
        MaxDetailHeight = 120
      end
    end
  end
end
)";

TEST_F(SiteStreamingTest, AGridWithLevelsAndViewsReadsAndWritesInChildOrder) {
  auto* form = new TForm(Application);
  ReadComponentFromText(form, kGridForm);
  auto* grid = dynamic_cast<TcxGrid*>(form->FindComponent("Grid1"));
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->DragOpeningWaitTime(), 500);
  ASSERT_EQ(grid->Levels()->Count(), 1);
  TcxGridLevel* main = grid->Levels()->Items(0);
  EXPECT_EQ(main->Caption(), "Main");
  auto* view1 = static_cast<TTestView*>(form->FindComponent("Grid1View1"));
  auto* view2 = static_cast<TTestView*>(form->FindComponent("Grid1View2"));
  EXPECT_EQ(main->GridView(), view1);
  EXPECT_EQ(view1->TestOptionsView()->CellCount(), 4);
  ASSERT_EQ(main->Count(), 1);
  EXPECT_EQ(main->Items(0)->GridView(), view2);
  EXPECT_EQ(main->Items(0)->MaxDetailHeight(), 120);
  EXPECT_EQ(view2->MasterGridView(), view1);
  EXPECT_EQ(grid->ActiveLevel(), main);
  EXPECT_EQ(grid->ViewCount(), 2);

  // Written back: views first, then the levels, the child level inside its parent.
  String text = WriteComponentToText(form);
  size_t v1 = text.find("object Grid1View1: TTestView"), v2 = text.find("object Grid1View2: TTestView");
  size_t l1 = text.find("object Grid1Level1: TcxGridLevel"), l2 = text.find("object Grid1Level2: TcxGridLevel");
  ASSERT_NE(v1, String::npos) << text;
  ASSERT_NE(l2, String::npos) << text;
  EXPECT_LT(v1, v2);
  EXPECT_LT(v2, l1);
  EXPECT_LT(l1, l2);
  EXPECT_NE(text.find("GridView = Grid1View1"), String::npos);
  EXPECT_NE(text.find("CellCount = 4"), String::npos);
  EXPECT_EQ(text.find("object Grid1View1: TTestView", v1 + 1), String::npos);

  // And read again into another form: the same tree.
  auto* copy = new TForm(Application);
  ReadComponentFromText(copy, text);
  auto* grid2 = dynamic_cast<TcxGrid*>(copy->FindComponent("Grid1"));
  ASSERT_NE(grid2, nullptr);
  EXPECT_EQ(grid2->Levels()->Items(0)->Items(0)->MaxDetailHeight(), 120);
  EXPECT_EQ(grid2->ViewCount(), 2);
  copy->Free();

  // Renaming the grid renames its views and levels by prefix.
  grid->SetName("Matrix");
  EXPECT_EQ(view1->Name(), "MatrixView1");
  EXPECT_EQ(view2->Name(), "MatrixView2");
  EXPECT_EQ(main->Name(), "MatrixLevel1");
  EXPECT_EQ(main->Items(0)->Name(), "MatrixLevel2");
  form->Free();
}

TEST_F(SiteStreamingTest, TheActiveViewSitsOnItsSiteInsideTheGrid) {
  TTestView* a = AddView();
  ShowForm();
  TcxGridSite* site = a->Site();
  ASSERT_NE(site, nullptr);
  EXPECT_EQ(site->Parent(), grid_);
  TRect content;
  grid_->ContentBounds(content);
  EXPECT_EQ(site->BoundsRect(), content);
  EXPECT_EQ(a->TestViewInfo()->Cells.size(), 3u);
  EXPECT_TRUE(site->TabStop());
  // The grid's TabStop decides the site's.
  grid_->SetTabStop(false);
  EXPECT_FALSE(site->TabStop());
  grid_->SetTabStop(true);
  // The grid's hit test reaches the view's cells through the top details site.
  TPoint inGrid(content.Left + 5, content.Top + 5);
  TcxCustomGridHitTest* h = grid_->ViewInfo()->GetHitTest(inGrid.X, inGrid.Y);
  EXPECT_EQ(h->GetHitTestCode(), 1000);
  EXPECT_EQ(h->ViewInfo(), a->TestViewInfo()->Cells[0].get());
  // The cursor comes from the hit test.
  EXPECT_EQ(a->Controller()->GetCursor(5, 5), crcxGridSelectRow);
  EXPECT_NE(Screen->Cursors(crcxGridSelectRow), nullptr);
}

class TKeyEater : public TcxCustomGridNotification {
 public:
  TcxGridNotificationKinds NotificationKinds() override { return {gnkKeyDown}; }
  void Notify(TcxGridNotificationKind, void* argument, bool& handled) override {
    auto* m = static_cast<TMessage*>(argument);
    handled = m->WParam == 'Q';
    if (handled) ++eaten;
  }
  int eaten = 0;
};

TEST_F(SiteStreamingTest, KeysAndMouseReachTheControllerInTheirOrder) {
  TTestView* a = AddView();
  ShowForm();
  TcxGridSite* site = a->Site();
  site->SetFocus();
  Pump();
  ASSERT_TRUE(site->Focused());
  EXPECT_TRUE(grid_->FocusedFlag());
  TTestController* c = a->TestController();
  c->Log.clear();
  S().PressKey('A');
  EXPECT_EQ(c->Log, (std::vector<std::string>{"KeyDown 65", "KeyPress"}));
  // A key that a notification receiver handles never reaches the controller.
  TKeyEater eater;
  grid_->AddNotification(&eater);
  c->Log.clear();
  S().PressKey('Q');
  EXPECT_EQ(eater.eaten, 1);
  EXPECT_TRUE(std::find(c->Log.begin(), c->Log.end(), "KeyDown 81") == c->Log.end());
  grid_->RemoveNotification(&eater);
  // A click: the controller sees the press and the release; the cell under it is clicked.
  c->Log.clear();
  TTestCell* first = a->TestViewInfo()->Cells[0].get();
  S().Click(site->Handle(), POINT{first->Bounds.Left + 5, first->Bounds.Top + 5});
  EXPECT_EQ(c->Log, (std::vector<std::string>{"MouseDown", "MouseUp"}));
  EXPECT_EQ(first->Clicks, 1);
  // Alt+character of a detail goes to its master's controller, which may swallow it.
  TTestView* detail = AddView(a->Level());
  a->TestController()->AcceptedChar = 'x';
  TMessage m{CN_BASE + WM_SYSCHAR, 'x', 0, 0};
  detail->Controller()->WndProcHook(m);
  EXPECT_EQ(m.Msg, 0u);
}

TEST_F(SiteStreamingTest, MouseUpEndsAnInternalDragBeforeTheControllerSeesIt) {
  TTestView* a = AddView();
  ShowForm();
  TcxGridSite* site = a->Site();
  TTestController* c = a->TestController();
  TTestCell* first = a->TestViewInfo()->Cells[0].get();
  POINT p{first->Bounds.Left + 5, first->Bounds.Top + 5};
  // Without a drag the controller sees the release first (and no drag ends).
  c->Log.clear();
  S().Click(site->Handle(), p);
  EXPECT_EQ(c->Log, (std::vector<std::string>{"MouseDown", "MouseUp"}));
  c->Log.clear();
  Advance(1000);  // not a double click
  // With one, the drag ends first.
  TTestCellHitTest::Draggable = true;
  S().MouseDown(site->Handle(), p);
  EXPECT_EQ(site->DragPhase(), dphPending);
  S().MoveMouse(site->Handle(), POINT{p.X + 30, p.Y + 10});
  EXPECT_TRUE(c->IsDragging());
  S().MouseUp(site->Handle(), POINT{p.X + 30, p.Y + 10});
  TTestCellHitTest::Draggable = false;
  EXPECT_EQ(c->Log, (std::vector<std::string>{"MouseDown", "EndDragAndDrop", "MouseUp"}));
  EXPECT_FALSE(c->IsDragging());
}

TEST_F(SiteStreamingTest, TabAndShiftTabLeaveTheGridThroughTheForm) {
  auto* before = new TButton(form_);
  before->SetBounds(330, 10, 60, 24);
  before->SetParent(form_);
  before->SetTabOrder(0);
  grid_->SetTabOrder(1);
  auto* after = new TButton(form_);
  after->SetBounds(330, 50, 60, 24);
  after->SetParent(form_);
  after->SetTabOrder(2);
  TTestView* a = AddView();
  ShowForm();
  a->Site()->SetWantedKeys(TcxWantedKeys{wkArrows, wkChars, wkTab});
  a->Site()->SetFocus();
  Pump();
  S().PressKey(VK_TAB);
  Pump();
  EXPECT_TRUE(after->Focused());
  a->Site()->SetFocus();
  Pump();
  S().PressKey(VK_TAB, true);
  Pump();
  EXPECT_TRUE(before->Focused());
  // Nothing is posted while the focus is outside the grid.
  grid_->FocusNextControl(true);
  Pump();
  EXPECT_TRUE(before->Focused());
}

class TCountingHintWindow : public THintWindow {
  KORVAN_CLASS(TCountingHintWindow, THintWindow)
 public:
  explicit TCountingHintWindow(TComponent* owner) : THintWindow(owner) {}
  void ActivateHint(TRect rect, const String& hint) override {
    ++activations;
    lastRect = rect;
    THintWindow::ActivateHint(rect, hint);
  }
  static int activations;
  static TRect lastRect;
};
int TCountingHintWindow::activations = 0;
TRect TCountingHintWindow::lastRect;

class THintController : public TTestController {
  KORVAN_CLASS(THintController, TTestController)
 public:
  using TTestController::TTestController;
  TClass GetHintWindowClass() override { return TCountingHintWindow::StaticClass(); }
};

class THintView : public TTestView {
  KORVAN_CLASS(THintView, TTestView)
 public:
  using TTestView::TTestView;
  TClass GetControllerClass() override { return THintController::StaticClass(); }
};

}  // namespace

KORVAN_IMPLEMENT_CLASS(TCountingHintWindow)
KORVAN_IMPLEMENT_CLASS(THintController)
KORVAN_IMPLEMENT_CLASS(THintView)

namespace {

TEST_F(SiteStreamingTest, ACellHintShowsStaysAndGoesWithinTheCheck) {
  auto* other = new TButton(form_);
  other->SetBounds(330, 10, 60, 24);
  other->SetParent(form_);
  TcxGridLevel* level = grid_->Levels()->Add();
  auto* a = static_cast<THintView*>(grid_->CreateView(THintView::StaticClass()));
  a->Cells = {"A text much wider than the cell that holds it", "Two", "Three"};
  level->SetGridView(a);
  ShowForm();
  ASSERT_TRUE(form_->Active());
  TcxGridSite* site = a->Site();
  TTestCell* first = a->TestViewInfo()->Cells[0].get();
  TCountingHintWindow::activations = 0;
  S().MoveMouse(site->Handle(), POINT{first->Bounds.Left + 10, first->Bounds.Top + 5});
  Pump();
  TcxCustomGridController* c = a->Controller();
  ASSERT_NE(c->HintWindow(), nullptr);
  EXPECT_EQ(TCountingHintWindow::activations, 1);
  EXPECT_EQ(c->HintCell(), first);
  EXPECT_TRUE(c->HintCheckerRunning());
  // The window: the hint window's own rectangle for the text, 6 narrower and 2 lower, at the
  // text's screen position, grown by the border offset plus 2, then 4 shorter at the bottom.
  TRect calc = c->HintWindow()->CalcHintRect(107374182, first->Text);
  TRect shown = TCountingHintWindow::lastRect;
  Integer bx = (c->HintWindow()->Width() - c->HintWindow()->ClientWidth()) / 2 + 2;
  Integer by = (c->HintWindow()->Height() - c->HintWindow()->ClientHeight()) / 2 + 2;
  EXPECT_EQ(shown.Width(), calc.Width() - 6 + 2 * bx);
  EXPECT_EQ(shown.Height(), calc.Height() - 2 + 2 * by - 4);
  // Moving within the cell: the same text at the same place is not shown again.
  S().MoveMouse(site->Handle(), POINT{first->Bounds.Left + 20, first->Bounds.Top + 6});
  Pump();
  EXPECT_EQ(TCountingHintWindow::activations, 1);
  Advance(300);
  EXPECT_TRUE(c->HintCell() == first);
  // A short text needs no hint: moving there cancels it.
  TTestCell* second = a->TestViewInfo()->Cells[1].get();
  S().MoveMouse(site->Handle(), POINT{second->Bounds.Left + 5, second->Bounds.Top + 5});
  Pump();
  EXPECT_EQ(c->HintCell(), nullptr);
  // Back over the long text, then off the site: the 100 ms check hides it.
  S().MoveMouse(site->Handle(), POINT{first->Bounds.Left + 10, first->Bounds.Top + 5});
  Pump();
  ASSERT_EQ(c->HintCell(), first);
  S().MoveMouse(other->Handle(), POINT{5, 5});
  Advance(100);
  EXPECT_EQ(c->HintCell(), nullptr);
  EXPECT_FALSE(c->HintCheckerRunning());
  EXPECT_FALSE(IsWindowVisible(c->HintWindow()->Handle()) && c->HintWindow()->HandleAllocated());
}

TEST_F(SiteStreamingTest, ASiteResizedDuringItsScrollBarUpdateWaitsForTheTimer) {
  TTestView* a = AddView();
  ShowForm();
  TcxGridSite* site = a->Site();
  Integer before = a->TestViewInfo()->CalculateCount;
  // Resized from inside the calculation while the scroll bars are updated.
  a->TestViewInfo()->OnCalculate = [&] {
    a->TestViewInfo()->OnCalculate = nullptr;
    site->SetUpdatingScrollBars(true);
    site->SetBounds(site->Left(), site->Top(), site->Width() - 20, site->Height());
    site->SetUpdatingScrollBars(false);
  };
  a->QueueLayoutChange();
  EXPECT_TRUE(site->ResizeTimerRunning());
  Integer during = a->TestViewInfo()->CalculateCount;
  EXPECT_EQ(during, before + 1);
  Advance(20);  // the platform's shortest timer period is 10 ms
  EXPECT_FALSE(site->ResizeTimerRunning());
  EXPECT_GT(a->TestViewInfo()->CalculateCount, during);
  // Outside a calculation a resize lays the view out at once.
  Integer now = a->TestViewInfo()->CalculateCount;
  site->SetBounds(site->Left(), site->Top(), site->Width() - 10, site->Height());
  EXPECT_GT(a->TestViewInfo()->CalculateCount, now);
}

}  // namespace
