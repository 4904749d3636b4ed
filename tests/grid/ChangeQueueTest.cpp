// The grid's change queue: compaction of a locked batch (duplicates, changes covered by later
// and by earlier ones) and the run rules (deferrable, locked-executable, changes added while
// the queue runs, a raising change, lock, unlock and cancel).
#include <gtest/gtest.h>

#include <sstream>

#include "tests/grid/GridTestSupport.h"

using namespace gridtest;

namespace {

std::vector<std::string> gRun;
int gAlive = 0;

// The grid's own change classes with Execute recording a label instead of working.
class TRecLayout : public TcxGridLayoutChange {
  KORVAN_CLASS(TRecLayout, TcxGridLayoutChange)
 public:
  TRecLayout(TcxCustomGridView* v, std::string label) : TcxGridLayoutChange(v), label_(std::move(label)) { ++gAlive; }
  ~TRecLayout() override { --gAlive; }
  void Execute() override { gRun.push_back(label_); }
  std::string label_;
};

class TRecSize : public TcxGridSizeChange {
  KORVAN_CLASS(TRecSize, TcxGridSizeChange)
 public:
  TRecSize(TcxCustomGridView* v, bool u, bool k, std::string label) : TcxGridSizeChange(v, u, k), label_(std::move(label)) {
    ++gAlive;
  }
  ~TRecSize() override { --gAlive; }
  void Execute() override { gRun.push_back(label_); }
  std::string label_;
};

class TRecRepaint : public TcxGridViewChange {
  KORVAN_CLASS(TRecRepaint, TcxGridViewChange)
 public:
  TRecRepaint(TcxCustomGridView* v, const TRect& r, std::string label) : TcxGridViewChange(v, r), label_(std::move(label)) {
    ++gAlive;
  }
  ~TRecRepaint() override { --gAlive; }
  void Execute() override { gRun.push_back(label_); }
  std::string label_;
};

// A change of the tests: its run flags and what it does when run are configurable.
class TTestChange : public TcxCustomGridViewChange {
  KORVAN_CLASS(TTestChange, TcxCustomGridViewChange)
 public:
  TTestChange(TcxCustomGridView* v, std::string label) : TcxCustomGridViewChange(v), label_(std::move(label)) { ++gAlive; }
  ~TTestChange() override { --gAlive; }
  void Execute() override {
    gRun.push_back(label_ + (Control() && Control()->IsLocked() ? "(locked)" : ""));
    if (OnExecute) OnExecute(this);
  }
  bool CanExecuteLocked() override { return executeLocked_; }
  bool IsDeferrable() override { return deferrable_; }
  bool CanDropDuplicates() override { return false; }
  std::string label_;
  bool executeLocked_ = true, deferrable_ = true;
  std::function<void(TTestChange*)> OnExecute;
};

}  // namespace

KORVAN_IMPLEMENT_CLASS(TRecLayout)
KORVAN_IMPLEMENT_CLASS(TRecSize)
KORVAN_IMPLEMENT_CLASS(TRecRepaint)
KORVAN_IMPLEMENT_CLASS(TTestChange)

namespace {

class ChangeQueueTest : public GridFixture {
 protected:
  void SetUp() override {
    GridFixture::SetUp();
    a_ = AddView(nullptr, "A");
    b_ = AddView(a_->Level(), "B");  // a detail of A
    c_ = AddView(nullptr, "C");
    gRun.clear();
    gAlive = 0;
  }
  void TearDown() override {
    GridFixture::TearDown();
    EXPECT_EQ(gAlive, 0) << "a change was not freed";
  }
  TcxCustomGridView* ViewOf(char name) {
    switch (name) {
      case 'A': return a_;
      case 'B': return b_;
      case 'C': return c_;
      default: return nullptr;  // '*': the whole grid
    }
  }
  // "L:A" layout of A, "S:*" size of the whole grid, "S:A/u" and "S:A/k" size changes with
  // UpdateGridViewOnly or KeepMaster, "R:A@n" a repaint of A's rectangle (0, 0, n, n).
  TcxCustomGridChange* Make(const std::string& text) {
    TcxCustomGridView* v = ViewOf(text[2]);
    switch (text[0]) {
      case 'L': return new TRecLayout(v, text);
      case 'S': return new TRecSize(v, text.find("/u") != std::string::npos, text.find("/k") != std::string::npos, text);
      case 'R': {
        Integer n = std::stoi(text.substr(text.find('@') + 1));
        return new TRecRepaint(v, TRect(0, 0, n, n), text);
      }
    }
    return nullptr;
  }
  TTestView *a_ = nullptr, *b_ = nullptr, *c_ = nullptr;
};

struct TCompactionCase {
  std::vector<std::string> queued;
  std::vector<std::string> executed;
};

TEST_F(ChangeQueueTest, ALockedBatchRunsCompacted) {
  const TCompactionCase cases[] = {
      {{"L:A", "L:A"}, {"L:A"}},                                 // duplicates run once
      {{"L:B", "S:A"}, {"S:A"}},                                 // a master's size covers a detail's layout
      {{"S:A", "L:B"}, {"S:A"}},                                 // ... also queued before it
      {{"L:A", "L:B"}, {"L:A"}},                                 // a master's layout covers a detail's layout
      {{"L:*", "L:A", "L:B", "L:C"}, {"L:*"}},                   // the whole grid's layout covers every view's
      {{"L:A", "L:*"}, {"L:*"}},
      {{"L:*", "S:A"}, {"L:*", "S:A"}},                          // a view's size never covers the whole grid
      {{"L:*", "S:*"}, {"S:*"}},                                 // a whole-grid size does
      {{"S:*", "L:*"}, {"S:*"}},
      {{"R:A@10", "L:A"}, {"L:A"}},                              // a repaint under a layout of its view
      {{"L:A", "R:A@10"}, {"L:A"}},
      {{"R:A@10", "S:A"}, {"S:A"}},
      {{"R:B@10", "S:A"}, {"R:B@10", "S:A"}},                    // only the same view's changes cover a repaint
      {{"R:A@10", "R:A@20"}, {"R:A@10", "R:A@20"}},              // different rectangles both run
      {{"R:A@10", "R:A@10"}, {"R:A@10"}},
      {{"S:A/u", "S:A"}, {"S:A"}},                               // a plain size covers the view-only one
      {{"S:A", "S:A/u"}, {"S:A"}},
      {{"S:A/u", "S:A/k"}, {"S:A/u", "S:A/k"}},                  // different KeepMaster: both
      {{"L:C", "R:C@5", "L:A", "S:C", "R:A@7"}, {"L:A", "S:C"}},  // mixed, order kept
  };
  for (const TCompactionCase& c : cases) {
    gRun.clear();
    grid_->BeginUpdate();
    for (const std::string& q : c.queued) grid_->AddChange(Make(q));
    EXPECT_TRUE(gRun.empty());
    grid_->EndUpdate();
    std::ostringstream q;
    for (auto& s : c.queued) q << s << ' ';
    EXPECT_EQ(gRun, c.executed) << q.str();
    EXPECT_EQ(grid_->QueuedChangeCount(), 0);
  }
}

TEST_F(ChangeQueueTest, LockUnlockAndCancel) {
  // Unlocked: at once.
  grid_->AddChange(Make("L:A"));
  EXPECT_EQ(gRun, (std::vector<std::string>{"L:A"}));
  // An EndUpdate without BeginUpdate leaves the count at 0.
  grid_->EndUpdate();
  EXPECT_EQ(grid_->LockCount(), 0);
  // Nested brackets run at the outermost end.
  gRun.clear();
  grid_->BeginUpdate();
  grid_->BeginUpdate();
  grid_->AddChange(Make("L:A"));
  grid_->EndUpdate();
  EXPECT_TRUE(gRun.empty());
  grid_->EndUpdate();
  EXPECT_EQ(gRun.size(), 1u);
  // CancelUpdate at 1 frees the queue without running it.
  gRun.clear();
  grid_->BeginUpdate();
  grid_->AddChange(Make("L:A"));
  grid_->AddChange(Make("S:C"));
  grid_->CancelUpdate();
  EXPECT_TRUE(gRun.empty());
  EXPECT_EQ(gAlive, 0);
  EXPECT_EQ(grid_->LockCount(), 0);
  grid_->CancelUpdate();
  EXPECT_EQ(grid_->LockCount(), 0);
}

TEST_F(ChangeQueueTest, ANonDeferrableChangeRunsAtOnceWhileLocked) {
  grid_->BeginUpdate();
  auto* data = new TTestChange(a_, "data");
  data->deferrable_ = false;
  grid_->AddChange(data);
  EXPECT_EQ(gRun, (std::vector<std::string>{"data(locked)"}));
  grid_->EndUpdate();
}

TEST_F(ChangeQueueTest, ChangesAddedWhileTheQueueRuns) {
  // One queued change: what it adds runs at once, inside it.
  auto adder = [this](const std::string& label) {
    auto* c = new TTestChange(a_, label);
    c->OnExecute = [this, label](TTestChange*) { grid_->AddChange(new TTestChange(c_, label + "+")); };
    return c;
  };
  grid_->BeginUpdate();
  grid_->AddChange(adder("x"));
  grid_->EndUpdate();
  EXPECT_EQ(gRun, (std::vector<std::string>{"x", "x+"}));

  // Two or more: the run holds a lock, so added changes wait for the end of the run.
  gRun.clear();
  grid_->BeginUpdate();
  grid_->AddChange(adder("x"));
  grid_->AddChange(adder("y"));
  grid_->EndUpdate();
  EXPECT_EQ(gRun, (std::vector<std::string>{"x(locked)", "y(locked)", "x+(locked)", "y+(locked)"}));
  EXPECT_EQ(grid_->LockCount(), 0);
}

TEST_F(ChangeQueueTest, AChangeThatCannotRunLockedRunsAfterWhatWasQueuedBeforeIt) {
  grid_->BeginUpdate();
  auto* x = new TTestChange(a_, "x");
  x->OnExecute = [this](TTestChange*) { grid_->AddChange(new TTestChange(c_, "z")); };
  auto* focus = new TTestChange(a_, "focus");
  focus->executeLocked_ = false;
  grid_->AddChange(x);
  grid_->AddChange(focus);
  grid_->AddChange(new TTestChange(a_, "w"));
  grid_->EndUpdate();
  EXPECT_EQ(gRun, (std::vector<std::string>{"x(locked)", "z", "focus", "w(locked)"}));
  EXPECT_EQ(grid_->LockCount(), 0);
}

TEST_F(ChangeQueueTest, AnExecuteThatRaisesEndsTheRunAndFreesTheRest) {
  grid_->BeginUpdate();
  auto* bad = new TTestChange(a_, "bad");
  bad->OnExecute = [this](TTestChange*) {
    grid_->AddChange(new TTestChange(c_, "queued meanwhile"));
    throw Exception("boom");
  };
  grid_->AddChange(bad);
  grid_->AddChange(new TTestChange(a_, "never"));
  EXPECT_THROW(grid_->EndUpdate(), Exception);
  // The extra lock was released, processing what was queued meanwhile.
  EXPECT_EQ(gRun, (std::vector<std::string>{"bad(locked)", "queued meanwhile"}));
  EXPECT_EQ(grid_->LockCount(), 0);
  EXPECT_EQ(gAlive, 0);
  // The grid goes on working.
  grid_->AddChange(Make("L:A"));
  EXPECT_EQ(gRun.back(), "L:A");
}

TEST_F(ChangeQueueTest, AViewFreedWithQueuedChangesFreesThem) {
  grid_->BeginUpdate();
  grid_->AddChange(Make("L:C"));
  grid_->AddChange(Make("R:C@4"));
  grid_->AddChange(Make("L:A"));
  c_->Free();
  c_ = nullptr;
  EXPECT_EQ(gAlive, 1);
  grid_->EndUpdate();
  EXPECT_EQ(gRun, (std::vector<std::string>{"L:A"}));

  // A view freed by a change of the same run: its later changes are dropped, not run.
  gRun.clear();
  auto* killer = new TTestChange(a_, "free B");
  killer->OnExecute = [this](TTestChange*) {
    b_->Free();
    b_ = nullptr;
  };
  grid_->BeginUpdate();
  grid_->AddChange(killer);
  grid_->AddChange(new TTestChange(b_, "of B"));
  grid_->AddChange(new TTestChange(a_, "of A"));
  grid_->EndUpdate();
  EXPECT_EQ(gRun, (std::vector<std::string>{"free B(locked)", "of A(locked)"}));
}

TEST_F(ChangeQueueTest, AGridBeingDestroyedFreesItsChangesWithoutRunningThem) {
  grid_->BeginUpdate();
  grid_->AddChange(Make("L:A"));
  grid_->AddChange(new TTestChange(c_, "queued"));
  grid_->Free();
  grid_ = nullptr;
  EXPECT_TRUE(gRun.empty());
  EXPECT_EQ(gAlive, 0);
  EXPECT_EQ(form_->ComponentCount(), 0);  // the views and levels went with it
}

TEST_F(ChangeQueueTest, ChangesOfAViewThatCannotLayOutAreDropped) {
  // While the view loads.
  a_->Loading();
  EXPECT_FALSE(a_->AddChange(new TTestChange(a_, "loading")));
  a_->Loaded();
  // While its view info calculates.
  bool added = true;
  a_->TestViewInfo()->OnCalculate = [&] { added = a_->AddChange(new TTestChange(a_, "calculating")); };
  a_->ViewInfo()->PlaceAndCalculate(TRect(0, 0, 100, 50));
  EXPECT_FALSE(added);
  a_->TestViewInfo()->OnCalculate = nullptr;
  // While it is destroyed (it loses the focus on the way).
  ASSERT_TRUE(a_->IsFocused());
  added = true;
  a_->OnFocusChangedHook = [&](bool focused) {
    if (!focused) added = a_->AddChange(new TTestChange(a_, "destroying"));
  };
  a_->Free();
  a_ = nullptr;
  EXPECT_FALSE(added);
  EXPECT_TRUE(gRun.empty());
  EXPECT_EQ(gAlive, 0);
}

}  // namespace
