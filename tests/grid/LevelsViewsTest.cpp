// Levels and views: binding, visibility and activation with the focus following, focused-view
// replacement, notifications, the view's update bracket and Changed kinds, clones and their
// pattern, the registered views' order, listener links and drag opening.
#include <gtest/gtest.h>

#include "tests/grid/GridTestSupport.h"
#include "user/Windows.h"

using namespace gridtest;

namespace {

class LevelsViewsTest : public GridFixture {};

TEST_F(LevelsViewsTest, BindingAViewHeldByAnotherLevelMovesIt) {
  TTestView* a = AddView();
  TcxGridLevel* second = grid_->Levels()->Add();
  second->SetGridView(a);
  EXPECT_EQ(grid_->Levels()->Items(0)->GridView(), nullptr);
  EXPECT_EQ(second->GridView(), a);
  EXPECT_EQ(a->Level(), second);
  // A level that is freed unbinds its view; the view stays with the grid.
  second->Free();
  EXPECT_EQ(a->Level(), nullptr);
  EXPECT_EQ(grid_->ViewCount(), 1);
}

TEST_F(LevelsViewsTest, HidingTheActiveLevelActivatesTheNextAndMovesTheFocus) {
  TTestView* a = AddView();
  TTestView* b = AddView();
  TTestView* c = AddView();
  TcxGridLevel* la = a->Level();
  EXPECT_EQ(grid_->ActiveLevel(), la);
  EXPECT_EQ(grid_->FocusedView(), a);
  std::vector<TcxGridLevel*> tabs;
  grid_->OnActiveTabChanged = [&](TcxCustomGrid*, TcxGridLevel* l) { tabs.push_back(l); };
  la->SetVisible(false);
  EXPECT_EQ(grid_->ActiveLevel(), b->Level());
  EXPECT_EQ(grid_->FocusedView(), b);
  EXPECT_EQ(tabs, (std::vector<TcxGridLevel*>{b->Level()}));
  // Activation of a top-level level moves the focus to its view.
  c->Level()->SetActive(true);
  EXPECT_EQ(grid_->FocusedView(), c);
  // Hiding every visible level leaves none active.
  b->Level()->SetVisible(false);
  c->Level()->SetVisible(false);
  EXPECT_EQ(grid_->ActiveLevel(), nullptr);
  // A level made visible again becomes active while none is.
  la->SetVisible(true);
  EXPECT_EQ(grid_->ActiveLevel(), la);
  EXPECT_EQ(grid_->FocusedView(), a);
}

TEST_F(LevelsViewsTest, TheFocusFollowsTheActiveTabOnTheScreen) {
  TTestView* a = AddView();
  TTestView* b = AddView();
  ShowForm();
  a->Site()->SetFocus();
  Pump();
  ASSERT_TRUE(a->Site()->Focused());
  b->Level()->SetActive(true);
  Pump();
  EXPECT_EQ(grid_->FocusedView(), b);
  EXPECT_TRUE(b->Site()->Focused());
  EXPECT_EQ(b->Site()->Parent(), grid_);
  TRect content;
  grid_->ContentBounds(content);
  EXPECT_EQ(b->Site()->BoundsRect(), content);
  EXPECT_EQ(a->Site()->Parent(), nullptr);
  // Hiding the active level brings the other back, focused.
  b->Level()->SetVisible(false);
  Pump();
  EXPECT_TRUE(a->Site()->Focused());
  EXPECT_EQ(a->Site()->Parent(), grid_);
  EXPECT_EQ(a->Site()->BoundsRect(), content);
  EXPECT_EQ(b->Site()->Parent(), nullptr);
}

TEST_F(LevelsViewsTest, ChildLevelsMoveWithinTheirBounds) {
  AddView();
  AddView();
  AddView();
  TcxGridLevel* root = grid_->Levels();
  TcxGridLevel* first = root->Items(0);
  root->MoveChild(first, 99);
  EXPECT_EQ(root->Items(2), first);
  root->MoveChild(first, -1);
  EXPECT_EQ(root->Items(0), first);
  first->SetVisible(false);
  EXPECT_EQ(root->VisibleCount(), 2);
  EXPECT_EQ(first->VisibleIndex(), -1);
}

TEST_F(LevelsViewsTest, NegativeSizesAreStoredAsZero) {
  TTestView* a = AddView();
  TcxGridLevel* level = a->Level();
  level->SetMaxDetailHeight(-5);
  EXPECT_EQ(level->MaxDetailHeight(), 0);
  grid_->SetDragOpeningWaitTime(-5);
  EXPECT_EQ(grid_->DragOpeningWaitTime(), 0);
  level->Options()->SetDetailFrameWidth(-2);
  EXPECT_EQ(level->Options()->DetailFrameWidth(), 0);
  struct {
    Integer max, asked, expected;
  } cases[] = {{0, 150, 150}, {100, 150, 100}, {100, 80, 80}, {0, -3, 0}, {100, -3, 0}};
  for (auto& c : cases) {
    level->SetMaxDetailHeight(c.max);
    Integer h = c.asked;
    level->CheckHeight(h);
    EXPECT_EQ(h, c.expected) << c.max << " " << c.asked;
  }
  // The frame colour follows the look and feel until one is set.
  EXPECT_EQ(level->Options()->GetDetailFrameColor(), grid_->CurrentPainter()->FixedBandSeparatorColor());
  level->Options()->SetDetailFrameColor(clRed);
  EXPECT_EQ(level->Options()->GetDetailFrameColor(), clRed);
}

TEST_F(LevelsViewsTest, TheFocusedViewIsReplacedAndAFailedFocusLossRestoresIt) {
  TTestView* a = AddView();
  TTestView* b = AddView();
  std::vector<std::pair<TcxCustomGridView*, TcxCustomGridView*>> changes;
  grid_->OnFocusedViewChanged = [&](TcxCustomGrid*, TcxCustomGridView* p, TcxCustomGridView* v) {
    changes.push_back({p, v});
  };
  b->SetFocused(true);
  EXPECT_EQ(grid_->FocusedView(), b);
  EXPECT_EQ(grid_->ActiveLevel(), b->Level());
  // Null while the active level has a view: the first top-level view takes the focus.
  grid_->SetFocusedView(nullptr);
  EXPECT_EQ(grid_->FocusedView(), a);
  // A view whose level is hidden cannot be focused.
  b->Level()->SetVisible(false);
  grid_->SetFocusedView(b);
  EXPECT_EQ(grid_->FocusedView(), a);
  b->Level()->SetVisible(true);
  // An exception from the previous view's FocusChanged keeps it focused and passes on.
  a->FailFocusLoss = true;
  EXPECT_THROW(grid_->SetFocusedView(b), Exception);
  EXPECT_EQ(grid_->FocusedView(), a);
  a->FailFocusLoss = false;
  EXPECT_EQ(changes.size(), 2u);
  // The focused view freed: another takes the focus.
  a->Free();
  EXPECT_EQ(grid_->FocusedView(), b);
}

class TRecorder : public TcxCustomGridNotification {
 public:
  TRecorder(TcxGridNotificationKinds kinds, bool handles, std::vector<std::string>& log, std::string name)
      : kinds_(kinds), handles_(handles), log_(log), name_(std::move(name)) {}
  TcxGridNotificationKinds NotificationKinds() override { return kinds_; }
  void Notify(TcxGridNotificationKind kind, void*, bool& handled) override {
    log_.push_back(name_ + std::to_string(int(kind)));
    handled = handles_;
  }

 private:
  TcxGridNotificationKinds kinds_;
  bool handles_;
  std::vector<std::string>& log_;
  std::string name_;
};

TEST_F(LevelsViewsTest, NotificationsStopAtTheFirstReceiverThatHandlesThem) {
  std::vector<std::string> log;
  TRecorder first({gnkKeyDown}, false, log, "first"), second({gnkKeyDown, gnkContextMenu}, true, log, "second"),
      third({gnkKeyDown, gnkFocusedViewChanged}, true, log, "third");
  grid_->AddNotification(&first);
  grid_->AddNotification(&second);
  grid_->AddNotification(&third);
  EXPECT_TRUE(grid_->SendNotifications(gnkKeyDown));
  EXPECT_EQ(log, (std::vector<std::string>{"first5", "second5"}));
  log.clear();
  EXPECT_FALSE(grid_->SendNotifications(gnkCustomization));
  EXPECT_TRUE(log.empty());
  // A focused view change is announced as kind 0.
  AddView();
  EXPECT_EQ(log, (std::vector<std::string>{"third0"}));
  // Context popups are not sent at design time.
  log.clear();
  grid_->SetDesigning(true, false);
  EXPECT_FALSE(grid_->SendNotifications(gnkContextMenu));
  EXPECT_TRUE(log.empty());
  grid_->SetDesigning(false, false);
  grid_->RemoveNotification(&first);
  grid_->RemoveNotification(&second);
  grid_->RemoveNotification(&third);
}

TEST_F(LevelsViewsTest, TheUpdateBracketGathersChangesAndChangedKinds) {
  TTestView* a = AddView();
  ShowForm();
  std::vector<TcxCustomGridView*> layouts;
  grid_->OnLayoutChanged = [&](TcxCustomGrid*, TcxCustomGridView* v) { layouts.push_back(v); };
  a->BeginUpdate();
  EXPECT_TRUE(grid_->IsLocked());
  a->Changed(1);
  a->Changed(1);
  a->Changed(0);
  EXPECT_TRUE(layouts.empty());
  a->EndUpdate();
  EXPECT_EQ(layouts, (std::vector<TcxCustomGridView*>{a}));
  EXPECT_EQ(a->ChangedKinds, (std::vector<Integer>{1, 1, 0}));
  EXPECT_FALSE(grid_->IsLocked());
  // Kind 2 goes through a size change, which lays out the whole grid for a top-level view.
  layouts.clear();
  a->Changed(2);
  EXPECT_EQ(layouts, (std::vector<TcxCustomGridView*>{nullptr}));
  // Nothing while the data controller's provider is locked, not even DoChanged.
  a->ChangedKinds.clear();
  layouts.clear();
  a->DataController()->Provider()->LockNotification();
  a->Changed(1);
  a->DataController()->Provider()->UnlockNotification();
  EXPECT_TRUE(layouts.empty());
  EXPECT_TRUE(a->ChangedKinds.empty());
  // An option change reaches the layout through Changed(1).
  a->TestOptionsView()->SetCellCount(4);
  EXPECT_EQ(layouts, (std::vector<TcxCustomGridView*>{a}));
  EXPECT_EQ(a->TestViewInfo()->Cells.size(), 4u);
}

TEST_F(LevelsViewsTest, ClonesFollowTheirPatternAndPostponeWhileInvisible) {
  TTestView* master = AddView();
  TTestView* pattern = AddView(master->Level());
  TcxGridLevel* detailLevel = pattern->Level();
  ASSERT_TRUE(pattern->IsPattern());
  ASSERT_EQ(pattern->MasterGridView(), master);
  EXPECT_TRUE(master->IsMasterView());
  pattern->OptionsBehavior()->SetPostponedSynchronization(false);
  auto* c1 = static_cast<TTestView*>(detailLevel->CreateDetailGridView(detailLevel->DataRelation(), 0));
  auto* c2 = static_cast<TTestView*>(detailLevel->CreateDetailGridView(detailLevel->DataRelation(), 1));
  ASSERT_TRUE(c1 && c2);
  EXPECT_EQ(pattern->CloneCount(), 2);
  EXPECT_EQ(c1->PatternGridView(), pattern);
  EXPECT_FALSE(c1->IsPattern());
  EXPECT_EQ(c1->MasterGridView(), master);
  EXPECT_FALSE(grid_->IsLocked());  // the clone's bracket ended with CancelUpdate
  // A clone's change goes to the pattern and from it to every other clone.
  c1->TestOptionsView()->SetCellCount(5);
  EXPECT_EQ(pattern->TestOptionsView()->CellCount(), 5);
  EXPECT_EQ(c2->TestOptionsView()->CellCount(), 5);
  // Postponed: an invisible clone takes the settings only when shown.
  pattern->OptionsBehavior()->SetPostponedSynchronization(true);
  EXPECT_TRUE(c2->OptionsBehavior()->PostponedSynchronization());
  pattern->TestOptionsView()->SetCellCount(6);
  EXPECT_EQ(c1->TestOptionsView()->CellCount(), 5);
  EXPECT_TRUE(c1->SynchronizationAssignNeeded());
  c1->ApplyPendingSynchronization();
  EXPECT_EQ(c1->TestOptionsView()->CellCount(), 6);
  EXPECT_FALSE(c1->SynchronizationAssignNeeded());
  // Synchronization off on the pattern: the clones keep their own settings.
  pattern->SetSynchronization(false);
  EXPECT_FALSE(c2->Synchronization());
  c2->TestOptionsView()->SetCellCount(2);
  EXPECT_EQ(pattern->TestOptionsView()->CellCount(), 6);
  // A clone that is freed leaves its pattern; an invisible level makes no clone.
  c2->Free();
  EXPECT_EQ(pattern->CloneCount(), 1);
  detailLevel->SetVisible(false);
  EXPECT_EQ(detailLevel->CreateDetailGridView(detailLevel->DataRelation(), 2), nullptr);
  detailLevel->SetVisible(true);
  detailLevel->OnGetGridView = [](TcxGridLevel*, TcxCustomGridRecord*, TcxCustomGridView*& v) { v = nullptr; };
  EXPECT_EQ(detailLevel->CreateDetailGridView(detailLevel->DataRelation(), 2), nullptr);
  c1->Free();
}

TEST_F(LevelsViewsTest, ListenerLinksReadNullOnceTheViewIsGone) {
  TTestView* a = AddView();
  TcxGridListenerLink* link = a->AddListenerLink();
  TcxGridListenerLink* dropped = a->AddListenerLink();
  delete dropped;
  EXPECT_EQ(a->ListenerLinkCount(), 1);
  EXPECT_EQ(link->GridView(), a);
  a->Free();
  EXPECT_EQ(link->GridView(), nullptr);
  delete link;
}

class TRegisteredA : public TTestView {
  KORVAN_CLASS(TRegisteredA, TTestView)
 public:
  using TTestView::TTestView;
};
class TRegisteredB : public TTestView {
  KORVAN_CLASS(TRegisteredB, TTestView)
 public:
  using TTestView::TTestView;
};
class TRegisteredC : public TTestView {
  KORVAN_CLASS(TRegisteredC, TTestView)
 public:
  using TTestView::TTestView;
};
class TRegisteredD : public TTestView {
  KORVAN_CLASS(TRegisteredD, TTestView)
 public:
  using TTestView::TTestView;
};
class TRegisteredE : public TTestView {
  KORVAN_CLASS(TRegisteredE, TTestView)
 public:
  using TTestView::TTestView;
};

}  // namespace

KORVAN_IMPLEMENT_CLASS(TRegisteredA)
KORVAN_IMPLEMENT_CLASS(TRegisteredB)
KORVAN_IMPLEMENT_CLASS(TRegisteredC)
KORVAN_IMPLEMENT_CLASS(TRegisteredD)
KORVAN_IMPLEMENT_CLASS(TRegisteredE)

namespace {

TEST_F(LevelsViewsTest, RegisteredViewsListDbDescriptionsLast) {
  TcxGridRegisteredViews views;
  views.Register(TRegisteredA::StaticClass(), "Table");
  views.Register(TRegisteredB::StaticClass(), "DB Table");
  views.Register(TRegisteredC::StaticClass(), "Banded Table");
  views.Register(TRegisteredD::StaticClass(), "Cards");
  views.Register(TRegisteredE::StaticClass(), "Chart|the chart view");
  std::vector<String> order;
  for (Integer i = 0; i < views.Count(); ++i) order.push_back(views.DescriptionAt(i));
  EXPECT_EQ(order, (std::vector<String>{"Banded Table", "Cards", "Chart", "Table", "DB Table"}));
  EXPECT_EQ(GetClass("TRegisteredB"), TRegisteredB::StaticClass());
}

TEST_F(LevelsViewsTest, DragOpeningWaitsOnTheSameTabAndRestartsOnAnother) {
  TTestView* a = AddView();
  TTestView* b = AddView();
  TTestView* c = AddView();
  TcxGridController* controller = grid_->Controller();
  grid_->SetDragOpeningWaitTime(800);
  controller->StartDragOpen(new TcxGridDragOpenInfoTab(b->Level()));
  Advance(500);
  controller->StartDragOpen(new TcxGridDragOpenInfoTab(b->Level()));  // the same tab: the wait goes on
  Advance(350);
  EXPECT_EQ(grid_->ActiveLevel(), b->Level());
  EXPECT_EQ(controller->DragOpenInfo(), nullptr);
  EXPECT_EQ(controller->DragOpenTimer(), nullptr);
  // Another tab restarts the wait.
  controller->StartDragOpen(new TcxGridDragOpenInfoTab(a->Level()));
  Advance(500);
  controller->StartDragOpen(new TcxGridDragOpenInfoTab(c->Level()));
  Advance(500);
  EXPECT_EQ(grid_->ActiveLevel(), b->Level());
  Advance(350);
  EXPECT_EQ(grid_->ActiveLevel(), c->Level());
  // Leaving the grid (or a point without a tab) stops it.
  controller->StartDragOpen(new TcxGridDragOpenInfoTab(a->Level()));
  bool accept = false;
  controller->DragOver(nullptr, 5, 5, dsDragLeave, accept);
  EXPECT_EQ(controller->DragOpenInfo(), nullptr);
  controller->StartDragOpen(new TcxGridDragOpenInfoTab(a->Level()));
  controller->DragOver(nullptr, 5, 5, dsDragMove, accept);
  EXPECT_EQ(controller->DragOpenInfo(), nullptr);
  Advance(1000);
  EXPECT_EQ(grid_->ActiveLevel(), c->Level());
  // A level freed during the wait takes its pending opening with it.
  controller->StartDragOpen(new TcxGridDragOpenInfoTab(a->Level()));
  a->Level()->Free();
  EXPECT_EQ(controller->DragOpenInfo(), nullptr);
  Advance(1000);
  EXPECT_EQ(grid_->ActiveLevel(), c->Level());
}

TEST_F(LevelsViewsTest, TheGridAnswersForItsNavigatorWithoutANavigatorView) {
  AddView();
  IcxNavigator* navigator = grid_;
  EXPECT_FALSE(navigator->IsActive());
  EXPECT_FALSE(navigator->CanInsert());
  EXPECT_EQ(navigator->GetNotifier(), nullptr);
  navigator->DoAction(0);
}

}  // namespace
