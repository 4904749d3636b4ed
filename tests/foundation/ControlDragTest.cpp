// Drag and drop of TcxControl: the internal drag past the threshold, Esc and cancel, the
// drag detection loop and the framework drag with its copy cursor and drag images.
#include <gtest/gtest.h>

#include "tests/foundation/ControlTestSupport.h"

using namespace controltest;

namespace {

std::vector<String> gEvents;

class TRecordingDrag : public TcxDragAndDropObject {
 public:
  TRecordingDrag(TcxControl* c, bool immediate) : TcxDragAndDropObject(c), immediate_(immediate) {}
  ~TRecordingDrag() override { gEvents.push_back("freed"); }
  bool StartsImmediately() override { return immediate_; }
  void StartDrag() override {
    gEvents.push_back("start");
    TcxDragAndDropObject::StartDrag();
  }
  void DirtyToggled() override { gEvents.push_back("dirty"); }
  void MoveDrag(const TPoint& p, bool& accepted) override {
    accepted = p.X > 150;
    gEvents.push_back("move");
    TcxDragAndDropObject::MoveDrag(p, accepted);
  }
  void FinishDrag(bool accepted) override { gEvents.push_back(accepted ? "finish-accepted" : "finish-cancelled"); }

 private:
  bool immediate_;
};

class TDragControl : public TScrollingControl {
 public:
  explicit TDragControl(TComponent* owner) : TScrollingControl(owner) {
    SetDragOperationClass([this](TcxControl* c) { return new TRecordingDrag(c, Immediate); });
  }
  bool Immediate = false;
  TSize ImageExtent;
  bool CanStartDragAndDrop(const TPoint& p) override { return p.X < 100; }
  bool UsesDragImages() override { return true; }
  void DragImagesExtent(TSize& size) override { size = ImageExtent; }
  void DrawDragImage(TcxCanvas* canvas, const TRect& r) override { canvas->FillRectColor(r, clRed); }
};

class DragTest : public ControlFixture {
 protected:
  void SetUp() override {
    ControlFixture::SetUp();
    gEvents.clear();
  }
  TDragControl* Make() {
    auto* c = MakeControl<TDragControl>();
    c->ContentWidth = c->ContentHeight = 50;
    c->RefreshScrollBars();
    return c;
  }
};

TEST_F(DragTest, ClickWithoutMovementNeverBecomesADrag) {
  auto* c = Make();
  S().MouseDown(c->Handle(), TPoint(20, 20));
  EXPECT_EQ(c->DragPhase(), dphPending);
  S().MouseUp(c->Handle(), TPoint(20, 20));
  EXPECT_EQ(c->DragPhase(), dphNone);
  EXPECT_EQ(c->DragOperation(), nullptr);
  EXPECT_EQ(gEvents, (std::vector<String>{"freed"}));
}

TEST_F(DragTest, DragStartsPastTheThresholdTracksAndDropsAccepted) {
  auto* c = Make();
  Screen->SetCursor(crCross);
  HWND w = c->Handle();
  Integer t = GetSystemMetrics(SM_CXDRAG);
  S().MouseDown(w, TPoint(20, 20));
  S().MoveMouse(w, TPoint(20 + t - 1, 20));
  EXPECT_EQ(c->DragPhase(), dphPending);
  S().MoveMouse(w, TPoint(20 + t, 20));
  EXPECT_EQ(c->DragPhase(), dphActive);
  ASSERT_NE(c->DragOperation(), nullptr);
  EXPECT_EQ(c->DragOperation()->LastPoint(), TPoint(20 + t, 20));
  EXPECT_EQ(Screen->Cursor(), crNoDrop);
  S().MoveMouse(w, TPoint(200, 30));
  EXPECT_EQ(c->DragOperation()->PreviousPoint(), TPoint(20 + t, 20));
  EXPECT_EQ(c->DragOperation()->LastPoint(), TPoint(200, 30));
  EXPECT_EQ(Screen->Cursor(), crDrag);
  S().MouseUp(w, TPoint(200, 30));
  EXPECT_EQ(c->DragPhase(), dphNone);
  EXPECT_EQ(Screen->Cursor(), crCross);
  EXPECT_EQ(gEvents, (std::vector<String>{"start", "dirty", "move", "move", "finish-accepted", "freed"}));
  EXPECT_FALSE(c->MouseCapture());
}

TEST_F(DragTest, EscAndCancelModeEndTheDragNotAccepted) {
  enum How { EscKey, EscNotify, CancelMode };
  for (How how : {EscKey, EscNotify, CancelMode}) {
    gEvents.clear();
    auto* c = Make();
    Screen->SetCursor(crCross);
    HWND w = c->Handle();
    Integer keys = 0;
    c->OnKeyDown = [&](TObject*, Word&, TShiftState) { ++keys; };
    S().MouseDown(w, TPoint(20, 20));
    S().MoveMouse(w, TPoint(200, 30));
    ASSERT_EQ(c->DragPhase(), dphActive);
    // Other keys are swallowed while the drag runs.
    EXPECT_EQ(c->Perform(CN_BASE + WM_KEYDOWN, 'A', 0), 1);
    if (how == EscKey) S().PressKey(VK_ESCAPE);
    if (how == EscNotify) c->Perform(CN_BASE + WM_KEYDOWN, VK_ESCAPE, 0);
    if (how == CancelMode) SendMessage(w, WM_CANCELMODE, 0, 0);
    EXPECT_EQ(c->DragPhase(), dphNone) << int(how);
    EXPECT_EQ(Screen->Cursor(), crCross) << int(how);
    EXPECT_EQ(gEvents.back(), "freed");
    EXPECT_NE(std::find(gEvents.begin(), gEvents.end(), "finish-cancelled"), gEvents.end()) << int(how);
    S().MouseUp(w, TPoint(200, 30));
    EXPECT_EQ(std::count(gEvents.begin(), gEvents.end(), "finish-accepted"), 0);
    c->Free();
  }
}

TEST_F(DragTest, ImmediateDragStartsAtTheMouseDown) {
  auto* c = Make();
  c->Immediate = true;
  S().MouseDown(c->Handle(), TPoint(30, 40));
  EXPECT_EQ(c->DragPhase(), dphActive);
  EXPECT_EQ(c->DragOperation()->LastPoint(), TPoint(30, 40));
  EXPECT_EQ(c->DragOperation()->PreviousPoint(), TPoint(30, 40));
  // A press where no drag may start completes the running one as not accepted.
  S().MouseUp(c->Handle(), TPoint(30, 40));
  S().MouseDown(c->Handle(), TPoint(150, 40));
  EXPECT_EQ(c->DragPhase(), dphNone);
}

TEST_F(DragTest, UpdateDirtyReportsOnlyChanges) {
  auto* c = Make();
  TRecordingDrag d(c, false);
  d.UpdateDirty(false);
  EXPECT_TRUE(gEvents.empty());
  d.UpdateDirty(true);
  d.UpdateDirty(true);
  EXPECT_EQ(gEvents, (std::vector<String>{"dirty"}));
}

TEST_F(DragTest, DetectionLoopAnswersByWhatEndsIt) {
  struct Case {
    const char* name;
    std::function<void(TPoint)> input;
    Integer result;
  } cases[] = {
      {"released", [](TPoint p) { InputMouseButton(kMouseLeft, false, p); }, 0},
      {"moved", [](TPoint p) { InputMouseMove(TPoint(p.X + 20, p.Y)); }, 1},
      {"esc", [](TPoint) { InputKey(VK_ESCAPE, true); }, 2},
  };
  auto* c = Make();
  for (const Case& k : cases) {
    TPoint p = S().ScreenPoint(c->Handle(), TPoint(40, 40));
    InputMouseMove(p);
    Pump();
    bool upSeen = false;
    c->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { upSeen = true; };
    S().Backend().OnIdle([&] { k.input(p); });
    EXPECT_EQ(DetectDragStart(c->Handle()), k.result) << k.name;
    EXPECT_NE(GetCapture(), c->Handle());
    if (k.result == 0) {  // the message that ended it is still dispatched
      EXPECT_TRUE(upSeen);
    }
    InputKey(VK_ESCAPE, false);
    Pump();
  }
}

TEST_F(DragTest, AutomaticFrameworkDragShowsTheCopyCursorAndItsImage) {
  auto* c = Make();
  c->ImageExtent = TSize(20, 10);
  c->SetDragMode(dmAutomatic);
  auto* target = new TScrollingControl(form_);
  target->SetBounds(320, 10, 80, 80);
  target->SetParent(form_);
  bool dropped = false;
  target->OnDragOver = [](TObject*, TObject*, Integer, Integer, TDragState, bool& accept) { accept = true; };
  target->OnDragDrop = [&](TObject*, TObject*, Integer, Integer) { dropped = true; };
  Pump();
  TPoint far = S().ScreenPoint(target->Handle(), TPoint(40, 40));
  S().Backend().OnIdle([&] { InputMouseMove(far); });
  S().MouseDown(c->Handle(), TPoint(120, 20));  // where no internal drag starts
  ASSERT_TRUE(TDragManager::Instance().Active());
  TDragImageList* images = c->GetDragImages();
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(images->Count(), 1);
  EXPECT_EQ(images->Width(), 20);
  InputKey(VK_CONTROL, true);
  S().MoveMouse(target->Handle(), TPoint(41, 41));
  EXPECT_EQ(S().Backend().CursorImage(), Screen->Cursors(crDragCopy));
  InputKey(VK_CONTROL, false);
  S().MouseUp(target->Handle(), TPoint(41, 41));
  EXPECT_TRUE(dropped);
  EXPECT_FALSE(TDragManager::Instance().Active());
  EXPECT_EQ(c->DragImageList(), nullptr);
}

struct THolder : TObject, IcxMouseCaptureObject {
  Integer lost = 0;
  void DoCancelMode() override { ++lost; }
};

TEST_F(DragTest, LosingTheCaptureWhilePendingCancelsTheDrag) {
  auto* c = Make();
  S().MouseDown(c->Handle(), TPoint(20, 20));
  ASSERT_EQ(c->DragPhase(), dphPending);
  THolder a, b;
  c->SetMouseCaptureHolder(&a);
  EXPECT_TRUE(c->MouseCapture());
  c->SetMouseCaptureHolder(&b);
  EXPECT_EQ(a.lost, 1);
  EXPECT_EQ(c->DragPhase(), dphPending);
  c->SetMouseCaptureHolder(nullptr);
  EXPECT_EQ(b.lost, 1);
  EXPECT_FALSE(c->MouseCapture());
  EXPECT_EQ(c->DragPhase(), dphNone);
  EXPECT_EQ(gEvents, (std::vector<String>{"freed"}));
}

TEST_F(DragTest, DragImagesNeedBothExtents) {
  auto* c = Make();
  c->ImageExtent = TSize(0, 10);
  EXPECT_EQ(c->GetDragImages(), nullptr);
}

}  // namespace
