// The radio button (sibling unchecking, check messages, clicks as command notifications,
// owner drawing and measuring) and actions (links, the control's Action, execution through
// the focused control, freed actions).
#include <gtest/gtest.h>

#include "VclTestSupport.h"
#include "rtl/SysUtils.h"
#include "vcl/ActnList.h"
#include "vcl/StdCtrls.h"

namespace {

class RadioButtonTest : public VclFixture {
 protected:
  void SetUp() override {
    VclFixture::SetUp();
    InitializeActnList();
    form_ = new TForm(Application);
    form_->SetBounds(0, 0, 300, 200);
    for (Integer i = 0; i < 3; ++i) {
      auto* r = new TRadioButton(form_);
      r->SetBounds(10, 10 + i * 25, 150, 17);
      r->SetCaption("Option &" + IntToStr(i + 1));
      r->SetParent(form_);
      r->OnClick = [this, i](TObject*) { log_.push_back("click " + IntToStr(i)); };
      buttons_.push_back(r);
    }
    form_->Show();
    Process();
  }
  void TearDown() override {
    form_->Free();
    VclFixture::TearDown();
  }
  TForm* form_;
  std::vector<TRadioButton*> buttons_;
  std::vector<String> log_;
};

TEST_F(RadioButtonTest, CheckingOneUnchecksItsSiblings) {
  buttons_[0]->SetChecked(true);
  buttons_[2]->SetChecked(true);
  EXPECT_FALSE(buttons_[0]->Checked());
  EXPECT_TRUE(buttons_[2]->Checked());
  EXPECT_EQ(buttons_[2]->Perform(BM_GETCHECK), NativeInt(BST_CHECKED));
  EXPECT_EQ(buttons_[0]->Perform(BM_GETCHECK), NativeInt(BST_UNCHECKED));
  EXPECT_TRUE(buttons_[2]->TabStop());
  EXPECT_FALSE(buttons_[0]->TabStop());
  EXPECT_EQ(log_, (std::vector<String>{"click 0", "click 2"}));
  // Unchecking clicks nothing; disabled clicks change silently.
  buttons_[2]->SetChecked(false);
  buttons_[1]->SetClicksDisabled(true);
  buttons_[1]->SetChecked(true);
  EXPECT_EQ(log_.size(), 2u);
  // BM_SETCHECK sets the drawn mark only.
  buttons_[0]->Perform(BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(buttons_[0]->Perform(BM_GETCHECK), NativeInt(BST_CHECKED));
  EXPECT_FALSE(buttons_[0]->Checked());
}

TEST_F(RadioButtonTest, ClicksArriveAsCommandNotifications) {
  std::vector<String> commands;
  buttons_[1]->WindowProc = [&, b = buttons_[1]](TMessage& m) {
    if (m.Msg == CN_COMMAND) commands.push_back(IntToStr(Integer(NativeUInt(m.WParam) >> 16)));
    b->WndProc(m);
  };
  buttons_[1]->OnDblClick = [&](TObject*) { log_.push_back("double"); };
  S().Click(buttons_[1]->Handle(), POINT{5, 8});
  Process();
  EXPECT_TRUE(buttons_[1]->Checked());
  Advance(1000);  // past the double-click time of the first click
  S().DoubleClick(buttons_[1]->Handle(), POINT{5, 8});
  Process();
  EXPECT_EQ(commands.front(), IntToStr(BN_CLICKED));
  EXPECT_EQ(commands.back(), IntToStr(BN_DOUBLECLICKED));
  EXPECT_EQ(log_.back(), "double");
  // Space and the accelerator click too.
  buttons_[0]->SetFocus();
  S().PressKey(VK_SPACE);
  Process();
  EXPECT_TRUE(buttons_[0]->Checked());
  EXPECT_EQ(buttons_[2]->Perform(CM_DIALOGCHAR, '3', 0), 1);
  EXPECT_TRUE(buttons_[2]->Checked());
  buttons_[1]->WindowProc = nullptr;
}

// An owner-drawn radio button: measured when its window is made, painted by CN_DRAWITEM.
class TOwnerDrawnRadio : public TRadioButton {
 public:
  using TRadioButton::TRadioButton;
  std::vector<DRAWITEMSTRUCT> draws;

 protected:
  void CreateParams(TCreateParams& params) override {
    TRadioButton::CreateParams(params);
    params.Style = (params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
  }
  void CNDrawItem(TMessage& m) override {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    draws.push_back(*dis);
    HBRUSH b = CreateSolidBrush(RGB(0, 128, 0));
    FillRect(dis->hDC, &dis->rcItem, b);
    DeleteObject(b);
  }
};

TEST_F(RadioButtonTest, OwnerDrawnButtonIsMeasuredAndPaintedThroughItsMessages) {
  auto* r = new TOwnerDrawnRadio(form_);
  r->SetBounds(10, 100, 80, 20);
  r->SetParent(form_);
  r->SetChecked(true);
  Process();
  EXPECT_EQ(r->OwnerDrawSize(), TSize(80, 20));
  ASSERT_FALSE(r->draws.empty());
  const DRAWITEMSTRUCT& d = r->draws.back();
  EXPECT_EQ(d.CtlType, ODT_BUTTON);
  EXPECT_TRUE(d.itemState & ODS_CHECKED);
  EXPECT_EQ(TRect(d.rcItem), TRect(0, 0, 80, 20));
  EXPECT_EQ(d.hwndItem, r->Handle());
  HDC dc = GetDC(r->Handle());
  EXPECT_EQ(GetPixel(dc, 40, 10), RGB(0, 128, 0));
  ReleaseDC(r->Handle(), dc);
}

// ---- actions ----------------------------------------------------------------------------------------

// A control that handles the actions offered to it.
class TTargetEdit : public TEdit {
 public:
  using TEdit::TEdit;
  Integer executed = 0, updated = 0;
  bool ExecuteAction(TBasicAction*) override {
    ++executed;
    return true;
  }
  bool UpdateAction(TBasicAction*) override {
    ++updated;
    return true;
  }
};

TEST_F(RadioButtonTest, ActionStateFollowsIntoLinkedControls) {
  auto* action = new TAction(form_);
  action->SetCaption("Run");
  action->SetHint("Runs it");
  TButton* button = new TButton(form_);
  button->SetParent(form_);
  button->SetAction(action);
  EXPECT_EQ(button->Caption(), "Run");
  EXPECT_EQ(button->Hint(), "Runs it");
  EXPECT_EQ(action->ClientCount(), 1);
  action->SetEnabled(false);
  EXPECT_FALSE(button->Enabled());
  action->SetEnabled(true);
  action->SetCaption("Go");
  EXPECT_EQ(button->Caption(), "Go");
  action->SetVisible(false);
  EXPECT_FALSE(button->Visible());
  // Clicking the control runs the action; a disabled action does not run.
  action->SetVisible(true);
  Integer runs = 0;
  action->OnExecute = [&](TObject* sender) {
    EXPECT_EQ(sender, action);
    EXPECT_EQ(action->ActionComponent(), button);
    ++runs;
  };
  button->Click();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(action->ActionComponent(), nullptr);
  action->SetAutoCheck(true);
  button->Click();
  EXPECT_TRUE(action->Checked());
  action->SetEnabled(false);
  EXPECT_FALSE(action->Execute());
  EXPECT_EQ(runs, 2);
  // A control's own OnClick takes precedence.
  action->SetEnabled(true);
  button->OnClick = [&](TObject*) { runs += 10; };
  button->Click();
  EXPECT_EQ(runs, 12);
  // The freed action is dropped; the freed control leaves the action.
  action->Free();
  EXPECT_EQ(button->Action(), nullptr);
  auto* second = new TAction(form_);
  button->SetAction(second);
  button->Free();
  EXPECT_EQ(second->ClientCount(), 0);
}

TEST_F(RadioButtonTest, ActionWithoutHandlerIsOfferedToTheFocusedControlAndItsParents) {
  auto* target = new TTargetEdit(form_);
  target->SetBounds(10, 150, 100, 21);
  target->SetParent(form_);
  target->SetFocus();
  Process();
  TAction action(nullptr);
  // Executing updates first.
  EXPECT_TRUE(action.Execute());
  EXPECT_EQ(target->executed, 1);
  EXPECT_EQ(target->updated, 1);
  EXPECT_TRUE(action.Update());
  EXPECT_EQ(target->updated, 2);
  // A control takes an action only when the action handles it as a target.
  EXPECT_FALSE(buttons_[0]->ExecuteAction(&action));
}

}  // namespace
