// Focus bookkeeping of forms and the screen: a control that goes away, directly or inside a
// form embedded in another form, leaves no form and not the screen pointing at it.
#include <gtest/gtest.h>

#include "VclTestSupport.h"
#include "vcl/ExtCtrls.h"
#include "vcl/StdCtrls.h"

namespace {

class FocusTest : public VclFixture {
 protected:
  void SetUp() override {
    VclFixture::SetUp();
    host_ = new TForm(Application);
    host_->SetBounds(10, 10, 400, 300);
    panel_ = new TPanel(host_);
    panel_->SetBounds(10, 40, 300, 200);
    panel_->SetParent(host_);
    other_ = new TEdit(host_);
    other_->SetBounds(10, 10, 100, 21);
    other_->SetParent(host_);
    host_->Show();
    Process();
  }
  void TearDown() override {
    host_->Free();
    VclFixture::TearDown();
  }
  // A second form parented into the panel, with an edit that has the focus.
  TEdit* EmbedFormWithFocusedEdit() {
    embedded_ = new TForm(Application);
    embedded_->SetBorderStyle(bsNone);
    embedded_->SetParent(panel_);
    embedded_->SetAlign(alClient);
    auto* edit = new TEdit(embedded_);
    edit->SetBounds(10, 10, 100, 21);
    edit->SetParent(embedded_);
    embedded_->Show();
    Process();
    edit->SetFocus();
    Process();
    return edit;
  }
  TForm* host_ = nullptr;
  TPanel* panel_ = nullptr;
  TEdit* other_ = nullptr;
  TForm* embedded_ = nullptr;
};

// Freed with its parent, the embedded form's edit is no form's or the screen's focused
// control; the next focus change then works on live controls only.
TEST_F(FocusTest, FreeingTheParentOfAnEmbeddedFormForgetsItsFocusedControl) {
  enum class What { Panel, EmbeddedForm, Edit };
  for (What what : {What::Panel, What::EmbeddedForm, What::Edit}) {
    SCOPED_TRACE(int(what));
    if (!panel_) {
      panel_ = new TPanel(host_);
      panel_->SetBounds(10, 40, 300, 200);
      panel_->SetParent(host_);
    }
    TEdit* edit = EmbedFormWithFocusedEdit();
    ASSERT_EQ(host_->ActiveControl(), edit);
    ASSERT_EQ(Screen->ActiveControl(), edit);
    const void* freed = edit;
    switch (what) {
      case What::Panel:
        panel_->Free();
        panel_ = nullptr;
        break;
      case What::EmbeddedForm: embedded_->Free(); break;
      case What::Edit: edit->Free(); break;
    }
    EXPECT_NE(static_cast<const void*>(host_->ActiveControl()), freed);
    EXPECT_NE(static_cast<const void*>(Screen->ActiveControl()), freed);
    for (Integer i = 0; i < Screen->FormCount(); ++i)
      EXPECT_NE(static_cast<const void*>(Screen->Forms(i)->ActiveControl()), freed);
    other_->SetFocus();
    Process();
    EXPECT_EQ(host_->ActiveControl(), other_);
    EXPECT_EQ(Screen->ActiveControl(), other_);
    if (what == What::Edit) embedded_->Free();
  }
}

// An edit owned outside the form it sits on (owner and parent differ), freed while focused.
TEST_F(FocusTest, AFocusedControlOwnedElsewhereIsForgottenWhenFreed) {
  auto* edit = new TEdit(Application);
  edit->SetBounds(10, 10, 100, 21);
  edit->SetParent(panel_);
  edit->SetFocus();
  Process();
  ASSERT_EQ(host_->ActiveControl(), edit);
  const void* freed = edit;
  edit->Free();
  EXPECT_NE(static_cast<const void*>(host_->ActiveControl()), freed);
  EXPECT_NE(static_cast<const void*>(Screen->ActiveControl()), freed);
  other_->SetFocus();
  Process();
  EXPECT_EQ(host_->ActiveControl(), other_);
}

}  // namespace
