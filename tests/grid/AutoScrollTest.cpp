// Automatic scrolling steps on the controller's 35 ms timer, and the grid-mode synchronisation
// timer that sizes the data set's buffer once the layout has room.
#include <gtest/gtest.h>

#include "db/MemDataSet.h"
#include "grid/cxGridDBDataDefinitions.h"
#include "tests/grid/RecordViewTestSupport.h"

namespace gridtest {

// A controller that scrolls up or down as far as its records allow and logs each step.
class TScrollingController : public TRowsController {
  KORVAN_CLASS(TScrollingController, TRowsController)

 public:
  using TRowsController::TRowsController;
  bool CanScrollData(Integer direction) override {
    return direction == 3 ? TopRecordIndex() > 0 : direction == 4;
  }
  void ScrollData(Integer direction) override {
    Steps.push_back(direction);
    ScrollRecords(direction == 4, 1);
  }
  std::vector<Integer> Steps;
};
KORVAN_IMPLEMENT_CLASS(TScrollingController)

class TScrollingView : public TRowsView {
  KORVAN_CLASS(TScrollingView, TRowsView)

 public:
  using TRowsView::TRowsView;
  TClass GetControllerClass() override { return TScrollingController::StaticClass(); }
};
KORVAN_IMPLEMENT_CLASS(TScrollingView)

// A grid data-set controller that counts the buffer synchronisations asked of it.
class TCountingDBController : public TcxGridDBDataController {
 public:
  using TcxGridDBDataController::TcxGridDBDataController;
  void UpdateGridModeBufferCount() override {
    ++Updates;
    TcxGridDBDataController::UpdateGridModeBufferCount();
  }
  Integer Updates = 0;
};

class TGridModeRowsView : public TRowsView {
  KORVAN_CLASS(TGridModeRowsView, TRowsView)

 public:
  using TRowsView::TRowsView;
  TcxDataControllerClass GetDataControllerClass() override { return DataControllerClassOf<TCountingDBController>(); }
};
KORVAN_IMPLEMENT_CLASS(TGridModeRowsView)

namespace {

class AutoScrollTest : public GridFixture {};

TEST_F(AutoScrollTest, ADirectionScrollsEvery35msWhileTheDataCanScroll) {
  auto* view = static_cast<TScrollingView*>(grid_->CreateView(TScrollingView::StaticClass()));
  grid_->Levels()->Add()->SetGridView(view);
  view->CreateItem();
  view->DataController()->SetRecordCount(50);
  ShowForm();
  view->QueueLayoutChange();
  Pump();
  auto* c = static_cast<TScrollingController*>(view->Controller());
  c->SetScrollDirection(4);
  EXPECT_TRUE(c->ScrollTimerRunning());
  Advance(34);
  EXPECT_TRUE(c->Steps.empty());
  Advance(1);
  Advance(35);
  EXPECT_EQ(c->Steps, (std::vector<Integer>{4, 4}));
  EXPECT_EQ(c->TopRecordIndex(), 2);
  // A new direction restarts the timer; where the data cannot scroll nothing happens.
  c->Steps.clear();
  c->SetScrollDirection(3);
  Advance(35 * 3);
  EXPECT_EQ(c->Steps, (std::vector<Integer>{3, 3}));
  EXPECT_EQ(c->TopRecordIndex(), 0);
  EXPECT_TRUE(c->ScrollTimerRunning());
  // The end of a drag and drop stops it.
  c->EndDragAndDrop(false);
  EXPECT_EQ(c->ScrollDirection(), 0);
  EXPECT_FALSE(c->ScrollTimerRunning());
  c->SetScrollDirection(4);
  c->SetScrollDirection(0);
  EXPECT_FALSE(c->ScrollTimerRunning());
  // A controller freed while scrolling leaves no timer behind.
  c->SetScrollDirection(4);
  delete view;
  Advance(100);
}

TEST_F(AutoScrollTest, GridModeSynchronisesTheBufferOnceTheLayoutHasRoom) {
  TMemDataSet ds(nullptr);
  ds.AddFieldDef("id", ftInteger);
  for (int i = 1; i <= 100; ++i) ds.AppendRow({i});
  ds.Open();
  TDataSource source(nullptr);
  source.SetDataSet(&ds);
  auto* view = static_cast<TGridModeRowsView*>(grid_->CreateView(TGridModeRowsView::StaticClass()));
  grid_->Levels()->Add()->SetGridView(view);
  auto* dc = static_cast<TCountingDBController*>(view->DataController());
  dc->SetDataSource(&source);
  dc->CreateAllItems();
  auto* c = view->Ctrl();
  // Not in grid mode: no timer.
  ShowForm();
  view->QueueLayoutChange();
  Pump();
  EXPECT_FALSE(c->GridModeSyncPending());
  dc->DataModeController()->SetGridModeBufferCount(20);
  dc->DataModeController()->SetGridMode(true);
  // A layout without room keeps the timer ticking.
  grid_->SetBounds(0, 0, 0, 0);
  view->QueueLayoutChange();
  Pump();
  c->StartGridModeSyncTimer();
  ASSERT_TRUE(c->GridModeSyncPending());
  const Integer before = dc->Updates;
  Advance(30);  // the platform's shortest timer period is 10 ms
  EXPECT_TRUE(c->GridModeSyncTimerRunning());
  EXPECT_EQ(dc->Updates, before);
  // Laid out with room: one synchronisation, then the timer is gone.
  grid_->SetBounds(10, 10, 300, 200);
  view->QueueLayoutChange();
  Pump();
  Advance(10);
  EXPECT_FALSE(c->GridModeSyncPending());
  EXPECT_FALSE(c->GridModeSyncTimerRunning());
  EXPECT_EQ(dc->Updates, before + 1);
  // The reloaded buffer lays the view out again in the same bounds: no further round.
  Advance(50);
  EXPECT_EQ(dc->Updates, before + 1);
  EXPECT_FALSE(c->GridModeSyncPending());
  // New bounds synchronise once more.
  grid_->SetBounds(10, 10, 300, 260);
  Pump();
  Advance(10);
  EXPECT_EQ(dc->Updates, before + 2);
  dc->SetDataSource(nullptr);
  delete view;
}

}  // namespace
}  // namespace gridtest
