// The currency edit: character acceptance per decimal places, separators, text, selection and
// typed character (also on a comma locale); text to value; Value with and without bounds; null
// texts; typing through the backend; the default editor of currency fields; sheets.
#include <gtest/gtest.h>

#include "db/DB.h"
#include "editors-extra/cxCurrencyEdit.h"
#include "editors-extra/cxEditDBRegisteredRepositoryItems.h"
#include "editors/cxEditPaintUtils.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/FormReader.h"
#include "vcl/Forms.h"

namespace {

// Swaps the locale's separators for the test's lifetime.
class TLocaleScope {
 public:
  TLocaleScope(char decimal, char thousands) : saved_(FormatSettings) {
    FormatSettings.DecimalSeparator = decimal;
    FormatSettings.ThousandSeparator = thousands;
  }
  ~TLocaleScope() { FormatSettings = saved_; }

 private:
  TFormatSettings saved_;
};

class CurrencyEditTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    InitializeCxCurrencyEdit();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 420, 300);
    other_ = new TcxCurrencyEdit(form_);
    other_->SetBounds(10, 60, 120, 21);
    other_->SetParent(form_);
    edit_ = new TcxCurrencyEdit(form_);
    edit_->SetBounds(10, 10, 120, 21);
    edit_->SetParent(form_);
    form_->Show();
    other_->SetFocus();
    Pump();
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  using THeadlessFixture::Focus;
  void Focus() { Focus(edit_); }
  String Text() { return edit_->Text(); }
  TForm* form_ = nullptr;
  TcxCurrencyEdit* edit_ = nullptr;
  TcxCurrencyEdit* other_ = nullptr;
};

TEST_F(CurrencyEditTest, CharacterAcceptance) {
  struct Case {
    bool Comma;  // decimal ",", thousands "."
    Integer DecimalPlaces;  // -1: unassigned (the locale's 2)
    bool Thousands;
    const char* Text;
    Integer SelStart, SelLength;
    char32_t Char;
    bool Accepted;
  };
  const Case cases[] = {
      {false, -1, false, "1.25", 4, 0, U'3', false},  // a third decimal
      {false, 4, false, "1.25", 4, 0, U'3', true},
      {false, -1, false, "1.25", 0, 0, U'3', true},   // digits before the separator
      {false, -1, false, "1.25", 2, 2, U'3', true},   // the selection is replaced
      {false, -1, false, "1.25E", 5, 0, U'3', true},  // exponent digits do not count as decimals
      {false, -1, false, "", 0, 0, U'-', true},
      {false, -1, false, "5", 1, 0, U'-', false},
      {false, -1, false, "5", 1, 0, U'x', false},
      {false, -1, false, "5", 1, 0, U' ', false},
      {false, -1, false, "1,234", 5, 0, U'5', true},   // separators already there are read over
      {false, -1, false, "1", 1, 0, U',', false},
      {false, -1, true, "1", 1, 0, U',', true},
      {false, -1, true, "1,234", 5, 0, U'.', true},
      {false, -1, false, "1e30", 4, 0, U'8', true},
      {false, -1, false, "1e30", 3, 0, U'9', false},   // beyond the double range
      {false, -1, false, "1e-32", 5, 0, U'5', false},  // non-zero below 5.0E-324
      {true, -1, false, "1,25", 4, 0, U'3', false},
      {true, -1, false, "1", 1, 0, U',', true},
      {true, -1, true, "1", 1, 0, U'.', true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.Comma ? "comma " : "") << c.DecimalPlaces << " sep " << c.Thousands << " '"
                                    << c.Text << "' [" << c.SelStart << "," << c.SelLength << "] + "
                                    << char(c.Char));
    TLocaleScope locale(c.Comma ? ',' : '.', c.Comma ? '.' : ',');
    TcxCurrencyEditProperties* p = edit_->Properties();
    p->ResetToDefaults();
    if (c.DecimalPlaces >= 0) p->SetDecimalPlaces(c.DecimalPlaces);
    p->SetUseThousandSeparator(c.Thousands);
    Focus();
    edit_->QueryInnerTextEdit()->SetTextValue(Variant(String(c.Text)));
    edit_->SelectRange(c.SelStart, c.SelLength);
    EXPECT_EQ(edit_->CanAcceptChar(c.Char), c.Accepted);
  }
}

TEST_F(CurrencyEditTest, TextToValue) {
  struct Case {
    bool Comma;
    const char* Text;
    bool Converts;
    double Value;
  };
  const Case cases[] = {
      {false, "1.25E3", true, 1250},
      {false, "1,234.5", true, 1234.5},
      {true, "1.234,5", true, 1234.5},
      {false, "", true, 0},  // empty succeeds with 0
      {false, "abc", false, 0},
      {false, "1.8E308", false, 0},
      {false, "1.7E308", true, 1.7e308},
      {false, "1E-400", false, 0},
      {false, "-0", true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    TLocaleScope locale(c.Comma ? ',' : '.', c.Comma ? '.' : ',');
    double v = -1;
    EXPECT_EQ(CurrencyTextToValue(c.Text, v), c.Converts);
    EXPECT_DOUBLE_EQ(v, c.Value);
  }
}

TEST_F(CurrencyEditTest, ValueWithAndWithoutBounds) {
  struct Case {
    double Min, Max;
    bool AssignMin, AssignMax;
    double Set, Stored;
  };
  const Case cases[] = {
      {10, 20, false, false, 5, 10},
      {10, 20, false, false, 25, 20},
      {10, 20, false, false, 15, 15},
      {0, 0, false, false, -1e9, -1e9},  // no bound
      {5, 0, true, false, 1, 5},         // only the lower bound assigned
      {0, -5, false, true, 1, -5},       // only the upper bound
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Min << ".." << c.Max << " set " << c.Set);
    TcxCurrencyEditProperties* p = edit_->Properties();
    p->ResetToDefaults();
    if (c.Min != 0 || c.AssignMin) p->SetMinValue(c.Min);
    if (c.Max != 0 || c.AssignMax) p->SetMaxValue(c.Max);
    edit_->SetValue(c.Set);
    EXPECT_DOUBLE_EQ(edit_->Value(), c.Stored);
  }
  // Leaving the edit brings a value out of the range into it.
  TcxCurrencyEditProperties* p = edit_->Properties();
  p->ResetToDefaults();
  p->SetMinValue(10);
  p->SetMaxValue(20);
  Focus();
  edit_->SetEditValue(Variant(35.0));
  other_->SetFocus();
  Pump();
  EXPECT_DOUBLE_EQ(edit_->Value(), 20);
}

TEST_F(CurrencyEditTest, NullTextsAndDisplayTexts) {
  struct Case {
    bool Nullable;
    const char* NullString;
    const char* Typed;
    bool IsNull;
    double Value;
  };
  const Case cases[] = {
      {true, "", "", true, 0},
      {false, "", "", false, 0},
      {true, "none", "none", true, 0},  // the null string counts as empty
      {false, "none", "none", false, 0},
      {true, "none", "12", false, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Typed);
    TcxCurrencyEditProperties* p = edit_->Properties();
    p->SetNullable(c.Nullable);
    p->SetNullString(c.NullString);
    Variant v;
    edit_->DisplayToEditValue(Variant(String(c.Typed)), v, true);
    EXPECT_EQ(v.IsNull(), c.IsNull);
    if (!c.IsNull) {
      EXPECT_DOUBLE_EQ(v.AsDouble(), c.Value);
    }
  }
  TcxCurrencyEditProperties* p = edit_->Properties();
  Variant display;
  p->SetNullString("(none)");
  p->SetNullable(true);
  p->PrepareDisplayValue(Null(), display, false);
  EXPECT_EQ(VarToStr(display), "(none)");
  p->PrepareDisplayValue(Null(), display, true);
  EXPECT_EQ(VarToStr(display), "");
  p->SetNullable(false);
  p->PrepareDisplayValue(Null(), display, false);
  EXPECT_EQ(VarToStr(display), "$0.00");
  // A change of the settings shows at once in an unfocused edit.
  edit_->SetEditValue(Null());
  EXPECT_EQ(Text(), "$0.00");
  p->SetNullable(true);
  EXPECT_EQ(Text(), "(none)");
  p->SetNullString("-");
  EXPECT_EQ(Text(), "-");
  // The locale's currency format unfocused, the plain number focused.
  edit_->SetValue(1234.5);
  EXPECT_EQ(Text(), "$1,234.50");
  Focus();
  EXPECT_EQ(Text(), "1234.5");
  p->PrepareDisplayValue(Variant("not a number"), display, false);
  EXPECT_EQ(VarToStr(display), "not a number");
}

TEST_F(CurrencyEditTest, TypingThroughTheBackend) {
  edit_->Properties()->SetBeepOnError(true);
  Focus();
  edit_->SelectRange(0, CharCount(Text()));
  const int beeps = S().Backend().BeepCount();
  S().TypeText("12x.345");
  EXPECT_EQ(Text(), "12.34");  // the letter and the third decimal are refused
  EXPECT_EQ(S().Backend().BeepCount(), beeps + 2);
  edit_->Properties()->SetBeepOnError(false);
  S().TypeText("9");
  EXPECT_EQ(S().Backend().BeepCount(), beeps + 2);
  other_->SetFocus();
  Pump();
  EXPECT_DOUBLE_EQ(edit_->Value(), 12.34);
  {
    TLocaleScope locale(',', '.');
    Focus();
    edit_->SelectRange(0, CharCount(Text()));
    S().TypeText("7.5");  // "." types the locale's decimal separator
    EXPECT_EQ(Text(), "7,5");
  }
}

TEST_F(CurrencyEditTest, DefaultEditorOfCurrencyFieldsAndRegistration) {
  auto* field = new TFloatField(nullptr);
  field->SetCurrency(true);
  TcxEditRepositoryItem* item = GetDefaultEditDBRepositoryItems()->GetItemByField(field);
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(dynamic_cast<TcxEditRepositoryCurrencyItem*>(item));
  field->SetCurrency(false);
  EXPECT_FALSE(dynamic_cast<TcxEditRepositoryCurrencyItem*>(GetDefaultEditDBRepositoryItems()->GetItemByField(field)));
  delete field;

  EXPECT_EQ(EditPropertiesRegistry()->FindByClassName("TcxCurrencyEditProperties"),
            TcxCurrencyEditProperties::StaticClass());
  const TcxCustomFilterEditHelper* helper =
      FilterEditHelper(FilterEditsController()->LookupHelper(TcxCurrencyEditProperties::StaticClass()));
  ASSERT_NE(helper, nullptr);
  TcxCurrencyEditProperties source(nullptr), target(nullptr);
  source.SetMinValue(5);
  source.SetMaxValue(50);
  source.SetNullable(false);
  source.SetNullString("x");
  source.SetDecimalPlaces(4);
  helper->PrepareFilterProperties(&target, &source, false);
  EXPECT_FALSE(target.HasValueRange());
  EXPECT_TRUE(target.Nullable());
  EXPECT_EQ(target.NullString(), "");
  EXPECT_EQ(target.DecimalPlaces(), 4);
  TcxFilterControlOperators ops;
  helper->SupportedOperators(&target, nullptr, ops, true);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14}));
  // DecimalPlaces is stored only when assigned, and reads back.
  EXPECT_EQ(WriteComponentToText(edit_).find("Properties.DecimalPlaces"), String::npos);
  edit_->Properties()->SetDecimalPlaces(3);
  EXPECT_NE(WriteComponentToText(edit_).find("Properties.DecimalPlaces = 3"), String::npos);
  auto* loaded = new TcxCurrencyEdit(form_);
  ReadComponentFromText(loaded, "object Loaded: TcxCurrencyEdit\n  Properties.DecimalPlaces = 0\nend\n");
  EXPECT_TRUE(loaded->Properties()->IsDecimalPlacesStored());
  EXPECT_EQ(loaded->Properties()->DecimalPlaces(), 0);
  // DecimalPlaces is copied only when assigned.
  TcxCurrencyEditProperties plain(nullptr);
  target.Assign(&plain);
  EXPECT_FALSE(target.IsDecimalPlacesStored());
}

TEST_F(CurrencyEditTest, SheetInEachLookAndFeel) {
  edit_->SetValue(-1234.5);
  other_->SetValue(99.99);
  for (TcxLookAndFeelKind kind : {lfFlat, lfStandard, lfUltraFlat, lfOffice11}) {
    static const char* names[] = {"flat", "standard", "ultraflat", "office11"};
    for (TcxCurrencyEdit* e : {edit_, other_}) {
      e->Style()->LookAndFeel()->SetKind(kind);
      e->Style()->LookAndFeel()->SetNativeStyle(false);
    }
    Pump();
    // The focused editor shows its edit text, the other one the currency format.
    EXPECT_TRUE(other_->Focused());
    EXPECT_EQ(other_->Text(), "99.99");
    EXPECT_NE(edit_->Text().find("$1,234.50"), String::npos) << edit_->Text();
    S().Snapshot(form_->Handle(), String("editors_extra_currency_edit_") + names[kind] + ".png", true);
  }
}

}  // namespace
