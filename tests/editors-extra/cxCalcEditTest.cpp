// The calculator editor: display texts (general, scientific with trimming, thousand separators,
// DisplayFormat focused and unfocused, Precision above 15), character acceptance, typing, the
// drop-down calculator by keys and clicks with QuickClose, Esc and the drop-down keys, paste,
// the filter helper, and sheets in each look and feel.
#include <gtest/gtest.h>

#include "editors-extra/cxCalc.h"
#include "editors/cxEditPaintUtils.h"
#include "editors/cxFilterControlUtils.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/FormReader.h"
#include "vcl/Clipbrd.h"
#include "vcl/Forms.h"

namespace {

class CalcEditTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    InitializeCxCalc();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 500, 400);
    edit_ = new TcxCalcEdit(form_);
    edit_->SetBounds(10, 10, 140, 21);
    edit_->SetParent(form_);
    other_ = new TcxCalcEdit(form_);
    other_->SetBounds(10, 60, 140, 21);
    other_->SetParent(form_);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  String Text() { return edit_->Text(); }
  using THeadlessFixture::Focus;
  void Focus() { Focus(edit_); }
  void DropDown() {
    Focus();
    S().PressKey(VK_F4);
    ASSERT_TRUE(edit_->DroppedDown());
  }
  POINT CalcPoint(TcxCalcButtonKind k) {
    const TRect& r = edit_->Calculator()->Button(k).Bounds;
    return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  TForm* form_ = nullptr;
  TcxCalcEdit* edit_ = nullptr;
  TcxCalcEdit* other_ = nullptr;
};

TEST_F(CalcEditTest, DisplayTexts) {
  struct Case {
    double Value;
    bool Scientific, Thousands;
    Integer Precision;  // -1: not assigned
    const char* DisplayFormat;
    bool Focused;
    const char* Text;
  };
  const Case cases[] = {
      {0, false, false, -1, "", false, "0"},
      {3.14159, false, false, 3, "", false, "3.14"},
      {1.0 / 3, false, false, 20, "", false, "0.333333333333333"},  // above 15 reads 15
      {1.0 / 3, false, false, 0, "", false, "0.333333333333333"},   // 0 means 15
      {1234567, false, true, -1, "", false, "1,234,567"},
      {1234567.5, false, true, -1, "", true, "1,234,567.5"},
      {-1234567, false, true, -1, "", false, "-1,234,567"},
      {1234567, true, true, 5, "", false, "1.2346E+6"},            // no separators with exponents
      {1050, true, false, 5, "", false, "1.05E+3"},                // the inner zero stays
      {1000, true, false, 5, "", false, "1E+3"},
      {1000, true, false, 1, "", false, "1E+3"},                   // the exponent is kept
      {0.00012, true, false, 3, "", false, "1.2E-4"},
      {-2.5, true, false, 4, "", false, "-2.5E+0"},
      {3.1, false, false, -1, "0.00", false, "3.10"},
      {3.1, false, false, -1, "0.00", true, "3.1"},
      {1234.5, false, true, -1, "#,##0.000", false, "1,234.500"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Value << " sci " << c.Scientific << " prec " << c.Precision << " '"
                                    << c.DisplayFormat << "' focused " << c.Focused);
    TcxCalcEditProperties* p = edit_->Properties();
    p->ResetToDefaults();
    p->SetScientificFormat(c.Scientific);
    p->SetUseThousandSeparator(c.Thousands);
    if (c.Precision >= 0) p->SetPrecision(c.Precision);
    if (*c.DisplayFormat) p->SetDisplayFormat(c.DisplayFormat);
    Variant display;
    p->PrepareDisplayValue(Variant(c.Value), display, c.Focused);
    EXPECT_EQ(VarToStr(display), c.Text);
  }
  Variant display;
  edit_->Properties()->PrepareDisplayValue(Null(), display, false);
  EXPECT_EQ(VarToStr(display), "");
  EXPECT_EQ(edit_->Properties()->Precision(), 15);
}

TEST_F(CalcEditTest, NewEditorShowsZeroAndFormatsFollowTheFocus) {
  other_->SetFocus();
  Pump();
  EXPECT_EQ(Text(), "0");
  EXPECT_DOUBLE_EQ(edit_->Value(), 0);
  edit_->Properties()->SetDisplayFormat("0.00");
  edit_->SetValue(3.1);
  EXPECT_EQ(Text(), "3.10");
  Focus();
  EXPECT_EQ(Text(), "3.1");
  other_->SetFocus();
  Pump();
  EXPECT_EQ(Text(), "3.10");
  edit_->SetEditValue(Null());
  EXPECT_DOUBLE_EQ(edit_->Value(), 0);
  edit_->SetEditValue(Variant("2.5"));
  EXPECT_DOUBLE_EQ(edit_->Value(), 2.5);
}

TEST_F(CalcEditTest, CharacterAcceptance) {
  struct Case {
    const char* Text;
    Integer SelStart, SelLength;
    char32_t Char;
    bool Accepted;
  };
  const Case cases[] = {
      {"", 0, 0, U'-', true},   // a lone minus
      {"", 0, 0, U'5', true},
      {"12", 2, 0, U'a', false},
      {"12", 2, 0, U'.', true},
      {"1.2", 3, 0, U'.', false},  // a second separator
      {"12", 0, 2, U'e', false},   // "e" alone is no number
      {"12", 2, 0, U'e', false},   // "12e" is none either
      {"12e", 3, 0, U'5', true},
      {"1e30", 4, 0, U'8', true},    // 1e308
      {"1e30", 3, 0, U'8', false},   // 1e380 is beyond the double range
      {"1.7e30", 6, 0, U'8', true},  // the top of the range is included
      {"1.8e30", 6, 0, U'8', false},
      {"5e-32", 5, 0, U'4', true},   // the bottom too
      {"4e-32", 5, 0, U'4', false},
      {"0e-99", 5, 0, U'9', true},   // zero is always in range
      {"5", 0, 1, U'+', false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Text << " [" << c.SelStart << "," << c.SelLength << "] + " << char(c.Char));
    edit_->SetEditValue(Variant(String(c.Text)));
    Focus();
    edit_->QueryInnerTextEdit()->SetTextValue(Variant(String(c.Text)));
    edit_->SelectRange(c.SelStart, c.SelLength);
    EXPECT_EQ(edit_->CanAcceptChar(c.Char), c.Accepted);
  }
}

TEST_F(CalcEditTest, TypingRefusesLettersWithABeep) {
  Focus();
  edit_->SelectRange(0, 1);
  S().TypeText("-");
  EXPECT_EQ(Text(), "-");
  const int beeps = S().Backend().BeepCount();
  S().TypeText("x");
  EXPECT_EQ(Text(), "-");
  EXPECT_EQ(S().Backend().BeepCount(), beeps + 1);
  edit_->Properties()->SetBeepOnError(false);
  S().TypeText("q");
  EXPECT_EQ(S().Backend().BeepCount(), beeps + 1);
  S().TypeText("12,5");  // "," types the decimal separator
  EXPECT_EQ(Text(), "-12.5");
  S().PressKey(VK_TAB);
  EXPECT_DOUBLE_EQ(edit_->Value(), -12.5);
}

TEST_F(CalcEditTest, ThousandSeparatorsKeepTypingDigits) {
  edit_->Properties()->SetUseThousandSeparator(true);
  edit_->SetValue(1234567);
  EXPECT_EQ(Text(), "1,234,567");
  Focus();
  edit_->SelectRange(CharCount(Text()), 0);
  S().TypeText("8");
  EXPECT_EQ(Text(), "12,345,678");  // the separators follow while typing
  S().PressKey(VK_TAB);
  EXPECT_DOUBLE_EQ(edit_->Value(), 12345678);
  EXPECT_EQ(Text(), "12,345,678");
}

TEST_F(CalcEditTest, DropDownByKeysComputesIntoTheText) {
  DropDown();
  TcxPopupCalculator* calc = edit_->Calculator();
  EXPECT_TRUE(calc->Focused());
  EXPECT_EQ(calc->Status(), csStart);
  S().TypeText("2+3");
  EXPECT_EQ(Text(), "3");
  S().PressKey(VK_RETURN);  // "=" and close, keeping the result
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(edit_->CloseUpReason(), crAccept);
  EXPECT_EQ(Text(), "5");
  S().PressKey(VK_TAB);
  EXPECT_DOUBLE_EQ(edit_->Value(), 5);
  // With ImmediatePost the value is posted once the popup has closed.
  edit_->Properties()->SetImmediatePost(true);
  DropDown();
  S().TypeText("*3");
  S().PressKey(VK_RETURN);
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_DOUBLE_EQ(edit_->EditValue().AsDouble(), 15);
}

TEST_F(CalcEditTest, DropDownClosingKeys) {
  struct Case {
    int Key;
    bool Alt;
    const char* Typed;
    Byte Reason;
    const char* Text;
  };
  const Case cases[] = {
      {VK_ESCAPE, false, "7*6", crCancel, "6"},  // the text was already written
      {VK_F4, false, "9", crDropDownKey, "9"},
      {VK_UP, true, "8", crDropDownKey, "8"},
      {VK_DOWN, true, "5/0=", crDropDownKey, "0"},  // "Error" becomes 0 on closing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Typed);
    DropDown();
    S().TypeText(c.Typed);
    S().PressKey(c.Key, false, false, c.Alt);
    EXPECT_FALSE(edit_->DroppedDown());
    EXPECT_EQ(edit_->CloseUpReason(), c.Reason);
    EXPECT_EQ(Text(), c.Text);
  }
}

TEST_F(CalcEditTest, QuickCloseAndClicks) {
  edit_->Properties()->SetQuickClose(true);
  DropDown();
  TcxPopupCalculator* calc = edit_->Calculator();
  for (TcxCalcButtonKind k : {ckDigit4, ckMultiply, ckDigit2}) S().Click(calc->Handle(), CalcPoint(k));
  EXPECT_TRUE(edit_->DroppedDown());
  EXPECT_EQ(Text(), "2");
  S().TypeText("=");
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(edit_->CloseUpReason(), crAccept);
  EXPECT_EQ(Text(), "8");
  // Without QuickClose "=" keeps the drop-down open.
  edit_->Properties()->SetQuickClose(false);
  DropDown();
  S().TypeText("1+1=");
  EXPECT_TRUE(edit_->DroppedDown());
  EXPECT_EQ(Text(), "2");
}

TEST_F(CalcEditTest, PasteAndReadOnly) {
  Focus();
  Clipboard()->SetAsText("$42.5");
  edit_->PasteFromClipboard();
  EXPECT_EQ(Text(), "42.5");
  Clipboard()->SetAsText("no number");
  edit_->PasteFromClipboard();
  EXPECT_EQ(Text(), "0");
  edit_->Properties()->SetReadOnly(true);
  Clipboard()->SetAsText("7");
  edit_->PasteFromClipboard();
  EXPECT_EQ(Text(), "0");
  S().PressKey(VK_F4);
  EXPECT_FALSE(edit_->DroppedDown());  // no drop-down when read-only
}

TEST_F(CalcEditTest, AssignmentPrecisionAndFilterHelper) {
  auto* source = new TcxCalcEditProperties(nullptr);
  source->SetPrecision(7);
  source->SetQuickClose(true);
  source->SetScientificFormat(true);
  source->SetBeepOnError(false);
  auto* target = new TcxCalcEditProperties(nullptr);
  target->Assign(source);
  EXPECT_TRUE(target->IsPrecisionStored());
  EXPECT_EQ(target->Precision(), 7);
  EXPECT_TRUE(target->QuickClose());
  EXPECT_TRUE(target->ScientificFormat());
  EXPECT_FALSE(target->BeepOnError());
  target->Assign(new TcxCalcEditProperties(nullptr));
  EXPECT_FALSE(target->IsPrecisionStored());
  EXPECT_EQ(target->Precision(), 15);
  delete source;
  delete target;
  // Precision is stored only when assigned.
  EXPECT_EQ(WriteComponentToText(edit_).find("Properties.Precision"), String::npos);
  edit_->Properties()->SetPrecision(15);  // equal to the default, but assigned
  EXPECT_NE(WriteComponentToText(edit_).find("Properties.Precision = 15"), String::npos);

  EXPECT_EQ(EditPropertiesRegistry()->FindByClassName("TcxCalcEditProperties"),
            TcxCalcEditProperties::StaticClass());
  const TcxCustomFilterEditHelper* helper =
      FilterEditHelper(FilterEditsController()->LookupHelper(TcxCalcEditProperties::StaticClass()));
  ASSERT_NE(helper, nullptr);
  TcxFilterControlOperators ops;
  helper->SupportedOperators(edit_->Properties(), nullptr, ops, false);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10}));
  helper->SupportedOperators(edit_->Properties(), nullptr, ops, true);
  EXPECT_EQ(ops.size(), 12u);
  auto* prepared = new TcxCalcEditProperties(nullptr);
  helper->PrepareFilterProperties(prepared, edit_->Properties(), false);
  EXPECT_TRUE(prepared->QuickClose());
  delete prepared;
}

TEST_F(CalcEditTest, SheetsInEachLookAndFeel) {
  // The drop-down's look and feel follows the editor's button style.
  const TcxEditButtonStyle button_styles[] = {btsFlat, bts3D, btsUltraFlat, btsOffice11};
  for (TcxLookAndFeelKind kind : {lfFlat, lfStandard, lfUltraFlat, lfOffice11}) {
    edit_->Style()->LookAndFeel()->SetKind(kind);
    edit_->Style()->LookAndFeel()->SetNativeStyle(false);
    static_cast<TcxCustomEditStyle*>(edit_->Style())->SetButtonStyle(button_styles[kind]);
    edit_->SetValue(1234.5);
    DropDown();
    S().TypeText("12");
    S().MoveMouse(edit_->Calculator()->Handle(), CalcPoint(ckDigit5));
    Pump();
    ASSERT_TRUE(edit_->DroppedDown());
    EXPECT_EQ(edit_->Text(), "12");  // the drop-down calculator shows in the editor
    static const char* names[] = {"flat", "standard", "ultraflat", "office11"};
    S().SnapshotScreen(String("editors_extra_calc_edit_") + names[kind] + ".png");
    S().PressKey(VK_ESCAPE);
    EXPECT_FALSE(edit_->DroppedDown());
  }
}

}  // namespace
