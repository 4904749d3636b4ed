// The custom popup window: placement beside its owner, closing on outside clicks, Esc,
// application deactivation, a hidden owner, the owner form's caption, and focus return;
// nested popups, the modal loop, Alt keys and showing again.
#include "tests/foundation/ContainerTestSupport.h"
#include "vcl/StdCtrls.h"

using namespace containertest;

namespace {

class TNarrowingPopup : public TcxCustomPopupWindow {
 public:
  using TcxCustomPopupWindow::TcxCustomPopupWindow;
  bool ShrinksToWorkArea() override { return true; }
};

class ContainerPopupTest : public ContainerFixture {
 protected:
  void SetUp() override {
    ContainerFixture::SetUp();
    owner_ = new TEdit(form_);
    owner_->SetBounds(20, 20, 120, 22);
    owner_->SetParent(form_);
    other_ = new TButton(form_);
    other_->SetBounds(20, 200, 80, 25);
    other_->SetParent(form_);
    other_->OnClick = [this](TObject*) { ++otherClicks_; };
    form_->Show();
    Pump();
    owner_->SetFocus();
    Pump();
  }
  void TearDown() override {
    for (auto* p : popups_) p->Free();
    ContainerFixture::TearDown();
  }
  template <class T = TcxCustomPopupWindow>
  T* MakePopup(TWinControl* owner, bool takesFocus = true) {
    auto* p = new T(owner);
    popups_.push_back(p);
    p->SetTakesFocus(takesFocus);
    p->SetRunsModalLoop(false);
    p->SetAnchorParent(owner->Parent());
    p->SetAnchorBounds(owner->BoundsRect());
    auto* child = new TButton(p);
    child->SetBounds(0, 0, 100, 60);
    child->SetParent(p);
    p->OnClosed = [this](TObject*) { ++closed_; };
    return p;
  }
  TEdit* owner_ = nullptr;
  TButton* other_ = nullptr;
  int otherClicks_ = 0;
  int closed_ = 0;
  std::vector<TcxCustomPopupWindow*> popups_;
};

TEST_F(ContainerPopupTest, OpensBesideItsOwnerWithinTheWorkArea) {
  struct Case {
    Integer formLeft, formTop;
    bool below;      // opens below the owner, else above
    bool alignLeft;  // left edges aligned, else pushed left into the work area
  } cases[] = {{100, 100, true, true}, {100, 700, false, true}, {1200, 100, true, false}};
  for (const Case& k : cases) {
    form_->SetBounds(k.formLeft, k.formTop, 420, 120);
    Pump();
    auto* p = MakePopup(owner_);
    p->ShowPopup(nullptr);
    Pump();
    ASSERT_TRUE(IsVisiblePopup(p));
    TRect a = p->GetAnchorScreenBounds();
    TRect r = p->BoundsRect();
    if (k.below) { EXPECT_EQ(r.Top, a.Bottom) << k.formLeft << "," << k.formTop; }
    else EXPECT_EQ(r.Bottom, a.Top) << k.formLeft << "," << k.formTop;
    if (k.alignLeft) { EXPECT_EQ(r.Left, a.Left); }
    else EXPECT_EQ(r.Right, 1280);
    p->ClosePopup();
  }
}

TEST_F(ContainerPopupTest, ClickOutsideClosesAndReachesItsTarget) {
  auto* p = MakePopup(owner_);
  p->ShowPopup(nullptr);
  Pump();
  EXPECT_EQ(ShownPopups().size(), 1u);
  EXPECT_TRUE(p->HasFocusInPopup());
  S().Click(other_->Handle(), POINT{10, 10});
  Pump();
  EXPECT_FALSE(IsVisiblePopup(p));
  EXPECT_FALSE(p->Visible());
  EXPECT_EQ(closed_, 1);
  EXPECT_EQ(otherClicks_, 1);
}

TEST_F(ContainerPopupTest, ClickInsideThePopupKeepsItOpen) {
  auto* p = MakePopup(owner_);
  p->ShowPopup(nullptr);
  Pump();
  S().Click(static_cast<TWinControl*>(p->Controls(0))->Handle(), POINT{5, 5});
  Pump();
  EXPECT_TRUE(IsVisiblePopup(p));
}

// A drop-down that closes itself on Esc through its own key handling, as the editors' do.
class TEscClosingPopup : public TcxCustomPopupWindow {
 public:
  using TcxCustomPopupWindow::TcxCustomPopupWindow;

 protected:
  void KeyDown(Word& key, TShiftState shift) override {
    TcxCustomPopupWindow::KeyDown(key, shift);
    if (key == VK_ESCAPE) {
      key = 0;
      ClosePopup();
    }
  }
};

TEST_F(ContainerPopupTest, EscGoesOnToTheFormUnlessThePopupClosesOnItItself) {
  auto* p = MakePopup(owner_);
  std::vector<Word> formKeys;
  p->OnKeyDown = [&](TObject*, Word& key, TShiftState) { formKeys.push_back(key); };
  p->ShowPopup(nullptr);
  Pump();
  S().PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(formKeys, std::vector<Word>{VK_ESCAPE});
  EXPECT_TRUE(IsVisiblePopup(p));  // the base popup does not close by itself
  p->ClosePopup();
  Pump();

  auto* closing = MakePopup<TEscClosingPopup>(owner_);
  closing->ShowPopup(nullptr);
  Pump();
  EXPECT_NE(GetFocus(), owner_->Handle());
  S().PressKey(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(IsVisiblePopup(closing));
  EXPECT_EQ(GetFocus(), owner_->Handle());
}

TEST_F(ContainerPopupTest, OwnerResolverAndHotTrackingCheckSeeThePopupAsPartOfItsOwner) {
  auto* p = MakePopup(owner_, false);
  p->ShowPopup(nullptr);
  Pump();
  ASSERT_NE(WindowOwnerResolver, nullptr);
  HWND child = static_cast<TWinControl*>(p->Controls(0))->Handle();
  EXPECT_EQ(WindowOwnerResolver(child), owner_->Handle());
  EXPECT_EQ(WindowOwnerResolver(other_->Handle()), other_->Handle());

  S().MoveMouse(other_->Handle(), POINT{5, 5});
  Pump();
  EXPECT_TRUE(ControlUnderCursorInActiveForm(other_));
  EXPECT_FALSE(ControlUnderCursorInActiveForm(owner_));  // not under the cursor
  other_->SetVisible(false);
  EXPECT_FALSE(ControlUnderCursorInActiveForm(other_));
  other_->SetVisible(true);
  p->ClosePopup();
}

TEST_F(ContainerPopupTest, EscWhileThePopupHoldsTheCaptureOnlyReleasesIt) {
  auto* p = MakePopup(owner_);
  p->ShowPopup(nullptr);
  Pump();
  SetCapture(p->Handle());
  Word key = VK_ESCAPE;
  p->Perform(WM_KEYDOWN, key, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(IsVisiblePopup(p));
}

TEST_F(ContainerPopupTest, ClosesWhenTheApplicationIsDeactivated) {
  auto* focusing = MakePopup(owner_);
  auto* quiet = MakePopup(other_, false);
  focusing->ShowPopup(nullptr);
  quiet->ShowPopup(nullptr);
  Pump();
  EXPECT_EQ(ShownPopups().size(), 2u);
  InputNativeActivate(nullptr);
  Pump();
  EXPECT_TRUE(ShownPopups().empty());
  EXPECT_EQ(closed_, 2);
}

TEST_F(ContainerPopupTest, ClosesWhenTheOwnerIsHidden) {
  struct Case {
    bool byShowWindow;  // the window is hidden directly, else the control is hidden
    bool laterPopupsClose;
  } cases[] = {{false, false}, {true, true}};
  for (const Case& k : cases) {
    owner_->Show();
    Pump();
    auto* first = MakePopup(other_, false);
    auto* second = MakePopup(owner_, false);
    auto* third = MakePopup(form_, false);
    first->ShowPopup(nullptr);
    second->ShowPopup(nullptr);
    third->ShowPopup(nullptr);
    Pump();
    ASSERT_EQ(ShownPopups().size(), 3u);
    if (k.byShowWindow) ShowWindow(owner_->Handle(), SW_HIDE);
    else owner_->Hide();
    Pump();
    EXPECT_TRUE(IsVisiblePopup(first)) << k.byShowWindow;
    EXPECT_FALSE(IsVisiblePopup(second)) << k.byShowWindow;
    EXPECT_EQ(IsVisiblePopup(third), !k.laterPopupsClose) << k.byShowWindow;
    first->ClosePopup();
    third->ClosePopup();
  }
}

TEST_F(ContainerPopupTest, ClickOnTheAnchorClosesAndDiscardsTheClickWhenTheOwnerWentAway) {
  auto* p = MakePopup(other_, false);
  p->OnClosed = [this](TObject*) { other_->Hide(); };
  p->ShowPopup(nullptr);
  Pump();
  S().Click(other_->Handle(), POINT{10, 10});
  Pump();
  EXPECT_FALSE(IsVisiblePopup(p));
  EXPECT_EQ(otherClicks_, 0);
}

TEST_F(ContainerPopupTest, NestedPopupClicksCloseNeither) {
  auto* outer = MakePopup(owner_);
  outer->ShowPopup(nullptr);
  Pump();
  auto* inner = MakePopup(static_cast<TWinControl*>(outer->Controls(0)));
  inner->ShowPopup(nullptr);
  Pump();
  ASSERT_EQ(ShownPopups().size(), 2u);
  S().Click(static_cast<TWinControl*>(inner->Controls(0))->Handle(), POINT{5, 5});
  Pump();
  EXPECT_EQ(ShownPopups().size(), 2u);
  S().Click(other_->Handle(), POINT{10, 10});
  Pump();
  EXPECT_TRUE(ShownPopups().empty());
}

TEST_F(ContainerPopupTest, ShowingAgainKeepsTheChildrenInsideTheFrameOnce) {
  auto* p = MakePopup(owner_);
  p->SetFrameStyle(1);
  p->SetFrameSpacing(2);
  TControl* child = p->Controls(0);
  for (int round = 0; round < 3; ++round) {
    p->ShowPopup(nullptr);
    Pump();
    EXPECT_EQ(child->Left(), 3) << round;
    EXPECT_EQ(child->Top(), 3) << round;
    EXPECT_EQ(p->Width(), 106) << round;
    p->ClosePopup();
    Pump();
  }
}

TEST_F(ContainerPopupTest, ModalLoopRunsUntilThePopupCloses) {
  auto* p = MakePopup(owner_);
  p->SetRunsModalLoop(true);
  bool shownInLoop = false;
  S().Backend().OnIdle([&] { shownInLoop = IsVisiblePopup(p); });
  S().Backend().OnIdle([&] { S().Click(other_->Handle(), POINT{10, 10}); });
  p->ShowPopup(nullptr);
  EXPECT_TRUE(shownInLoop);
  EXPECT_FALSE(IsVisiblePopup(p));
  Pump();
  EXPECT_EQ(otherClicks_, 1);
}

TEST_F(ContainerPopupTest, AltShortcutsAreIgnoredWhileANonModalPopupIsOpen) {
  std::vector<Word> seen;
  form_->SetKeyPreview(true);
  form_->OnKeyDown = [&](TObject*, Word& key, TShiftState) { seen.push_back(key); };
  auto* p = MakePopup(other_, false);
  p->ShowPopup(nullptr);
  Pump();
  struct Case {
    int vk;
    bool reaches;
  } cases[] = {{'X', false}, {'Q', false}, {VK_DOWN, true}, {VK_PRIOR, true}};
  for (const Case& k : cases) {
    seen.clear();
    S().KeyDown(VK_MENU);
    S().KeyDown(k.vk);
    S().KeyUp(k.vk);
    S().KeyUp(VK_MENU);
    Pump();
    bool reached = std::find(seen.begin(), seen.end(), Word(k.vk)) != seen.end();
    EXPECT_EQ(reached, k.reaches) << k.vk;
  }
}

TEST_F(ContainerPopupTest, NotShownWhileTheOwnerIsInvisible) {
  auto* p = MakePopup(owner_);
  owner_->Hide();
  Pump();
  p->ShowPopup(nullptr);
  EXPECT_FALSE(IsVisiblePopup(p));
  EXPECT_FALSE(p->Visible());
}

TEST_F(ContainerPopupTest, ShrinksToTheWorkAreaWhenAsked) {
  form_->SetBounds(1150, 100, 120, 120);
  Pump();
  auto* p = MakePopup<TNarrowingPopup>(owner_);
  p->SetHorzAlignment(0);
  TRect a = p->GetAnchorScreenBounds();
  TPoint pos(a.Left, a.Bottom);
  p->SetWidth(300);
  p->FitToWorkArea(pos);
  EXPECT_EQ(pos.X + p->Width(), 1280);
  EXPECT_LT(p->Width(), 300);
}

TEST_F(ContainerPopupTest, CloseRequestClosesAndFocusesTheOwner) {
  auto* p = MakePopup(owner_);
  p->ShowPopup(nullptr);
  Pump();
  PostPopupCloseRequest(p);
  Pump();
  EXPECT_FALSE(IsVisiblePopup(p));
  EXPECT_EQ(GetFocus(), owner_->Handle());
}

}  // namespace
