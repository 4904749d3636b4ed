// The mask edit's settings, its blank-mask behaviour (the text edit's), typing through the
// mask modes, display values focused and unfocused, validation, the filter helper and the
// registrations.
#include <gtest/gtest.h>

#include "EditorsTestSupport.h"
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
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  helper->SupportedOperators(&p, TcxIntegerValueType::Class(), ops, true);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14}));
  // With a mask there is no like and not like, even for texts.
  p.SetEditMask("00");
  helper->SupportedOperators(&p, TcxStringValueType::Class(), ops, false);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10}));
  p.SetEditMask("");
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
    saved_ = FormatSettings;
    FormatSettings.DateSeparator = '/';
    FormatSettings.ShortDateFormat = "d/M/yyyy";
    GlobalFormatController()->Refresh();
    InitializeForms();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 300, 200);
    edit_ = new TcxMaskEdit(form_);
    edit_->SetBounds(10, 10, 150, 21);
    edit_->SetParent(form_);
    other_ = new TcxMaskEdit(form_);
    other_->SetBounds(10, 50, 150, 21);
    other_->SetParent(form_);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    form_->Free();
    FormatSettings = saved_;
    GlobalFormatController()->Refresh();
    THeadlessFixture::TearDown();
  }
  TFormatSettings saved_;
  TForm* form_ = nullptr;
  TcxMaskEdit* edit_ = nullptr;
  TcxMaskEdit* other_ = nullptr;
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

TEST_F(MaskEditTest, TypingGoesThroughTheModeOfTheMaskKind) {
  auto* fc = GlobalFormatController();
  struct Case {
    TcxEditMaskKind Kind;
    String Mask;
    const char* Typed;
    std::vector<Word> Keys;  // pressed after typing
    const char* Text;
  };
  const Case cases[] = {
      {emkStandard, "00/00;0;_", "1234", {}, "12/34"},
      {emkStandard, "00/00;0;_", "1x2", {}, "12/__"},  // a letter is refused
      {emkStandard, "00/00;0;_", "1234", {VK_HOME, VK_DELETE}, "_2/34"},
      {emkStandard, "00/00;0;_", "12", {VK_BACK}, "1_/__"},
      {emkRegExpr, "[a-z]+\\d", "ab1", {}, "ab1"},
      {emkRegExpr, "[a-z]+\\d", "1ab", {}, "ab"},
      {emkRegExprEx, fc->DateMaskRegExpr(), "31", {}, "31/"},  // forced literals are typed
      {emkRegExprEx, fc->DateMaskRegExpr(), "31", {VK_BACK}, "3"},
      // The format controller's date masks, standard and regular-expression.
      {emkStandard, fc->DateStandardMask(), "31122024", {}, "31/12/2024"},
      {emkRegExpr, fc->DateMaskRegExpr(), "31/12/2024", {}, "31/12/2024"},
  };
  Focus(edit_);
  for (const Case& c : cases) {
    edit_->Properties()->SetEditMask("");
    edit_->Properties()->SetMaskKind(c.Kind);
    edit_->Properties()->SetEditMask(c.Mask);
    edit_->ClearValue();
    edit_->SelectRange(0, 0);
    S().TypeText(c.Typed);
    for (Word k : c.Keys) S().PressKey(k);
    Pump();
    EXPECT_EQ(edit_->Text(), c.Text) << c.Mask << " <- " << c.Typed;
  }
}

// Shift+Delete without a selection deletes backwards in the edit as in the mode, and typing on
// stays within the mask (the regular-expression mode once stepped back alone and took "111").
// The extended mode deletes the forced "/" with the digit.
TEST_F(MaskEditTest, ShiftDeleteWithoutASelectionDeletesBackwards) {
  struct Case {
    TcxEditMaskKind Kind;
    const char* Mask;
    const char* Text;
  } cases[] = {{emkRegExpr, "\\d\\d/\\d\\d", "11"}, {emkRegExprEx, "\\d\\d/\\d\\d", "11/"}};
  Focus(edit_);
  for (const Case& c : cases) {
    edit_->Properties()->SetEditMask("");
    edit_->Properties()->SetMaskKind(c.Kind);
    edit_->Properties()->SetEditMask(c.Mask);
    edit_->ClearValue();
    edit_->SelectRange(0, 0);
    S().TypeText("11");
    S().PressKey(VK_DELETE, true);
    S().TypeText("1");
    EXPECT_EQ(edit_->Text(), c.Text) << c.Mask;
  }
}

TEST_F(MaskEditTest, DisplayFocusedAndUnfocusedAndValidation) {
  TcxMaskEditProperties* p = edit_->Properties();
  Focus(other_);
  p->SetEditMask("00/00;0;_");
  edit_->WriteEditValue(Variant(String("1234")));
  Pump();
  EXPECT_EQ(edit_->Text(), "1234");  // unfocused: the value without blanks and literals
  Focus(edit_);
  EXPECT_EQ(edit_->Text(), "12/34");
  Focus(other_);
  p->SetAlwaysShowBlanksAndLiterals(true);
  edit_->WriteEditValue(Variant(String("1234")));
  Pump();
  EXPECT_EQ(edit_->Text(), "12/34");
  // Cells format through the properties alone.
  Variant display;
  p->SetAlwaysShowBlanksAndLiterals(false);
  p->PrepareDisplayValue(Variant(String("1234")), display, false);
  EXPECT_EQ(VarToStr(display), "1234");
  p->PrepareDisplayValue(Variant(String("1234")), display, true);
  EXPECT_EQ(VarToStr(display), "12/34");

  // A half-filled text is invalid; an empty one passes only with IgnoreMaskBlank.
  struct Case {
    const char* Text;
    bool Ignore, Valid;
  };
  const Case cases[] = {{"12/34", false, true}, {"1_/__", false, false}, {"1_/__", true, false},
                        {"__/__", true, true}, {"__/__", false, false}};
  for (const Case& c : cases) {
    p->SetIgnoreMaskBlank(c.Ignore);
    Variant v(String(c.Text));
    String error_text;
    bool error = false;
    p->ValidateDisplayValue(v, error_text, error, edit_);
    EXPECT_EQ(!error, c.Valid) << c.Text << " " << c.Ignore;
    if (error) {
      EXPECT_EQ(error_text, "The edit value is invalid");
    }
  }
}

TEST_F(MaskEditTest, KindAndMaskChangesMaxLengthAndABadExpression) {
  TcxMaskEditProperties* p = edit_->Properties();
  p->SetEditMask("00");
  p->SetMaxLength(5);
  EXPECT_EQ(p->MaxLength(), 0);  // a mask decides the length
  // A kind switch across the syntaxes drops the own mask; one assigned with the kind stays.
  p->SetMaskKind(emkRegExpr);
  EXPECT_EQ(p->EditMask(), "");
  TcxMaskEditProperties other(nullptr);
  other.SetMaskKind(emkStandard);
  other.SetEditMask("999");
  p->Assign(&other);
  EXPECT_EQ(p->MaskKind(), emkStandard);
  EXPECT_EQ(p->EditMask(), "999");
  // Between the two regular-expression kinds the mask stays.
  p->SetEditMask("");
  p->SetMaskKind(emkRegExpr);
  p->SetEditMask("[a-c]+");
  p->SetMaskKind(emkRegExprEx);
  EXPECT_EQ(p->EditMask(), "[a-c]+");
  // An expression that does not compile is refused and changes nothing.
  EXPECT_THROW(p->SetEditMask("([a-z]"), EcxMaskEditError);
  EXPECT_EQ(p->EditMask(), "[a-c]+");
  EXPECT_EQ(edit_->Mode()->Mask(), "[a-c]+");
  // CaseInsensitive under CharCase: an upper-case edit takes lower-case letters of an upper set.
  p->SetEditMask("[ABC]+");
  p->SetCharCase(ecUpperCase);
  p->SetCaseInsensitive(false);
  EXPECT_TRUE(p->CaseInsensitive());
  Focus(edit_);
  edit_->ClearValue();
  S().TypeText("abd");
  EXPECT_EQ(edit_->Text(), "AB");
  // Entering selects the whole text, which the next character replaces.
  Focus(other_);
  Focus(edit_);
  EXPECT_EQ(edit_->SelLength(), 2);
  S().TypeText("c");
  EXPECT_EQ(edit_->Text(), "C");
}

}  // namespace
