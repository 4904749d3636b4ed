// The mask edit's settings, its blank-mask behaviour (the text edit's), typing through the
// mask modes, display values focused and unfocused, validation, the filter helper and the
// registrations.
#include <gtest/gtest.h>

#include "editors/cxEditPaintUtils.h"
#include "editors/cxEditRepositoryItems.h"
#include "editors/cxMaskEdit.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Forms.h"

namespace {

class TMaskProvider : public TcxCustomEditDefaultValuesProvider {
 public:
  using TcxCustomEditDefaultValuesProvider::TcxCustomEditDefaultValuesProvider;
  String DefaultEditMask() override { return "00/00;0;_"; }
};

TEST(MaskEditProperties, BlankMasksAndSettings) {
  struct Case {
    const char* Mask;
    bool Blank;
  };
  const Case cases[] = {{"", true}, {" \t\r\n\f", true}, {" 0 ", false}, {"a", false}};
  for (const Case& c : cases) EXPECT_EQ(IsBlankMask(c.Mask), c.Blank) << c.Mask;

  TcxMaskEditProperties p(nullptr);
  EXPECT_TRUE(p.ValidateOnEnter());
  EXPECT_TRUE(p.CaseInsensitive());
  EXPECT_EQ(p.MaskKind(), emkStandard);
  EXPECT_EQ(p.GetContainerClass(), TcxMaskEdit::StaticClass());
  // Upper or lower case forces case-insensitive matching, also when set off later.
  p.SetCaseInsensitive(false);
  EXPECT_FALSE(p.CaseInsensitive());
  p.SetCharCase(ecUpperCase);
  EXPECT_TRUE(p.CaseInsensitive());
  p.SetCaseInsensitive(false);
  EXPECT_TRUE(p.CaseInsensitive());

  // A bound field's mask stands in for a blank own standard mask.
  TMaskProvider provider(nullptr);
  p.AttachDefaultValuesProvider(&provider);
  EXPECT_EQ(p.EditMask(), "00/00;0;_");
  p.SetMaskKind(emkRegExpr);
  EXPECT_EQ(p.EditMask(), "");
  p.SetMaskKind(emkStandard);
  p.SetEditMask("99");
  EXPECT_EQ(p.EditMask(), "99");
  // A mask: no incremental lookup, no display formats, MaxLength held at 0.
  EXPECT_TRUE(p.IsMasked());
  EXPECT_FALSE(p.UsesLookupData());
  EXPECT_EQ(p.GetDisplayFormatOptions(), 0);
  p.SetMaxLength(5);
  EXPECT_EQ(p.MaxLength(), 0);
  p.ClearDefaultValuesProvider();

  TcxMaskEditProperties copy(nullptr);
  p.SetAlwaysShowBlanksAndLiterals(true);
  p.SetIgnoreMaskBlank(true);
  p.SetMaskKind(emkRegExprEx);
  p.SetEditMask("[a-z]+");
  copy.Assign(&p);
  EXPECT_EQ(copy.MaskKind(), emkRegExprEx);
  EXPECT_EQ(copy.EditMask(), "[a-z]+");
  EXPECT_TRUE(copy.AlwaysShowBlanksAndLiterals());
  EXPECT_TRUE(copy.IgnoreMaskBlank());
  EXPECT_EQ(copy.CharCase(), ecUpperCase);
}

TEST(MaskEditProperties, FilterHelperAndRegistrations) {
  InitializeCxEditRepositoryItems();
  EXPECT_EQ(EditPropertiesRegistry()->FindByClassName("TcxMaskEditProperties"),
            TcxMaskEditProperties::StaticClass());
  EXPECT_EQ(FilterEditsController()->LookupHelper(TcxMaskEditProperties::StaticClass()),
            TcxFilterMaskEditHelper::StaticClass());
  const TcxCustomFilterEditHelper* helper = FilterEditHelper(TcxFilterMaskEditHelper::StaticClass());
  EXPECT_EQ(helper->ValueEditClass(), TcxMaskEdit::StaticClass());
  TcxMaskEditProperties p(nullptr);
  TcxFilterControlOperators ops;
  helper->SupportedOperators(&p, TcxStringValueType::Class(), ops, false);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10, 7, 8}));
  helper->SupportedOperators(&p, TcxIntegerValueType::Class(), ops, true);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14}));
  // A regular-expression source becomes the extended kind in the filter's editor.
  TcxMaskEditProperties source(nullptr), prepared(nullptr);
  source.SetMaskKind(emkRegExpr);
  source.SetAutoSelect(false);
  helper->PrepareFilterProperties(&prepared, &source, false);
  EXPECT_EQ(prepared.MaskKind(), emkRegExprEx);
  EXPECT_TRUE(prepared.AutoSelect());
  // The repository's mask item holds mask properties and makes mask edits in place.
  TcxEditRepository repository(nullptr);
  auto* item = repository.CreateItem(TcxEditRepositoryMaskItem::StaticClass());
  EXPECT_EQ(item->Properties()->ClassType(), TcxMaskEditProperties::StaticClass());
  TcxInplaceEditList list;
  TcxCustomEdit* edit = list.ObtainEdit(item->Properties());
  EXPECT_EQ(edit->ClassType(), TcxMaskEdit::StaticClass());
  EXPECT_TRUE(edit->InPlace());
}

class MaskEditTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 300, 200);
    edit_ = new TcxMaskEdit(form_);
    edit_->SetBounds(10, 10, 150, 21);
    edit_->SetParent(form_);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    form_->Free();
    THeadlessFixture::TearDown();
  }
  TForm* form_ = nullptr;
  TcxMaskEdit* edit_ = nullptr;
};

TEST_F(MaskEditTest, ABlankMaskEditsAsTheTextEdit) {
  edit_->Properties()->SetEditMask("   ");
  edit_->Properties()->SetMaxLength(3);
  EXPECT_EQ(edit_->Properties()->MaxLength(), 3);  // kept: the mask is blank
  edit_->Properties()->LookupItems()->Add("Orange");
  edit_->SetFocus();
  Pump();
  S().TypeText("o");
  EXPECT_EQ(edit_->Text(), "Orange");  // incremental search
  EXPECT_EQ(edit_->SelLength(), 5);
  S().PressKey(VK_DELETE);
  S().TypeText("xyz");
  EXPECT_EQ(edit_->Text(), "Oxy");  // cut to MaxLength by the edit itself
  S().PressKey(VK_BACK);
  S().TypeText("é");
  EXPECT_EQ(edit_->Text(), "Oxé");
  S().PressKey(VK_RETURN);  // validates on Enter by default
  EXPECT_EQ(VarToStr(edit_->EditValue()), "Oxé");
}

}  // namespace
