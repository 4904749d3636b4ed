// The button edit: one default ellipsis button, the click key, and form text whose button
// list replaces the default button.
#include <gtest/gtest.h>

#include "editors/cxButtonEdit.h"
#include "editors/cxEditPaintUtils.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Forms.h"

namespace {

class ButtonEditTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    InitializeCxButtonEdit();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 300, 200);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    form_->Free();
    THeadlessFixture::TearDown();
  }
  TForm* form_ = nullptr;
};

TEST_F(ButtonEditTest, OneDefaultEllipsisButtonClickedByTheClickKey) {
  EXPECT_EQ(EditPropertiesRegistry()->FindByClassName("TcxButtonEditProperties"),
            TcxButtonEditProperties::StaticClass());
  auto* edit = new TcxButtonEdit(form_);
  edit->SetBounds(10, 10, 150, 21);
  edit->SetParent(form_);
  ASSERT_EQ(edit->Properties()->Buttons()->Count(), 1);
  EXPECT_EQ(edit->Properties()->Buttons()->GetButton(0)->Kind(), bkEllipsis);
  EXPECT_TRUE(edit->Properties()->Buttons()->GetButton(0)->Default());
  EXPECT_EQ(edit->Properties()->ClickKey(), 16397);  // Ctrl+Enter
  EXPECT_EQ(edit->Properties()->GetContainerClass(), TcxButtonEdit::StaticClass());
  std::vector<Integer> clicks;
  edit->Properties()->OnButtonClick = [&](TObject*, Integer index) { clicks.push_back(index); };
  edit->SetFocus();
  Pump();
  S().TypeText("ab");
  S().PressKey(VK_RETURN, false, true);
  Pump();
  EXPECT_EQ(clicks, std::vector<Integer>{0});
  EXPECT_EQ(edit->Text(), "ab");  // the click key types nothing
  // A mask works as in the mask edit.
  edit->Properties()->SetEditMask("00;0;_");
  edit->ClearValue();
  edit->SelectRange(0, 0);
  S().TypeText("1x2");
  EXPECT_EQ(edit->Text(), "12");
}

TEST_F(ButtonEditTest, FormTextListingButtonsReplacesTheDefaultOne) {
  auto* f = new TForm(Application);
  f->ReadFormText(
      "object F: TForm\n"
      "  Width = 300\n"
      "  Height = 200\n"
      "  object Edit1: TcxButtonEdit\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Properties.Buttons = <\n"
      "      item\n"
      "        Default = True\n"
      "        Kind = bkEllipsis\n"
      "      end\n"
      "      item\n"
      "        Caption = 'Go'\n"
      "        Kind = bkText\n"
      "      end>\n"
      "  end\n"
      "end\n");
  auto* edit = dynamic_cast<TcxButtonEdit*>(f->FindComponent("Edit1"));
  ASSERT_NE(edit, nullptr);
  ASSERT_EQ(edit->Properties()->Buttons()->Count(), 2);
  EXPECT_EQ(edit->Properties()->Buttons()->GetButton(1)->Kind(), bkText);
  EXPECT_EQ(edit->Properties()->Buttons()->GetButton(1)->Caption(), "Go");
  f->Free();
}

}  // namespace
