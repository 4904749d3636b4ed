// The calculator control: button sequences against the display (operators, percent, square
// root, reciprocal, memory and its graying, the digit limit, the error state), keys and clicks
// through the headless backend (hot tracking, held keys), the clipboard, the sizing rule, and
// sheets at two sizes.
#include <gtest/gtest.h>

#include "editors-extra/cxCalc.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Clipbrd.h"
#include "vcl/Forms.h"

namespace {

// A calculator whose display is a plain text.
class TTextCalculator : public TcxCustomCalculator {
 public:
  using TcxCustomCalculator::TcxCustomCalculator;
  String Display = "0";
  TcxCustomLookAndFeelPainterClass Painter = nullptr;
  String GetDisplayText() override { return Display; }
  void SetDisplayText(const String& text) override { Display = text; }
  TcxCustomLookAndFeelPainterClass GetPainter() override {
    return Painter ? Painter : TcxCustomCalculator::GetPainter();
  }
};

// Sequence letters: digits and + - * / % = . as they are; s sqrt, r 1/x, n +/-, b Back,
// e CE, c C, L MC, R MR, S MS, P M+.
TcxCalcButtonKind KindOf(char c) {
  if (c >= '0' && c <= '9') return TcxCalcButtonKind(ckDigit0 + (c - '0'));
  switch (c) {
    case '+': return ckAdd;
    case '-': return ckSubtract;
    case '*': return ckMultiply;
    case '/': return ckDivide;
    case '%': return ckPercent;
    case '=': return ckEquals;
    case '.': return ckDecimalPoint;
    case 's': return ckSquareRoot;
    case 'r': return ckReciprocal;
    case 'n': return ckNegate;
    case 'b': return ckBack;
    case 'e': return ckClearEntry;
    case 'c': return ckClearAll;
    case 'L': return ckMemoryClear;
    case 'R': return ckMemoryRecall;
    case 'S': return ckMemoryStore;
    case 'P': return ckMemoryAdd;
    default: return ckNone;
  }
}

class CalculatorTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 500, 400);
    calc_ = new TTextCalculator(form_);
    calc_->SetParent(form_);
    calc_->SetBounds(10, 10, 198, 131);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  void Run(const String& seq) {
    for (char c : seq) calc_->ButtonClick(KindOf(c));
  }
  POINT Center(TcxCalcButtonKind k) {
    const TRect& r = calc_->Button(k).Bounds;
    return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  TForm* form_ = nullptr;
  TTextCalculator* calc_ = nullptr;
};

TEST_F(CalculatorTest, ButtonSequencesGiveTheDisplay) {
  struct Case {
    const char* Sequence;
    const char* Display;
  };
  const Case cases[] = {
      {"2+3=", "5"},
      {"2+3==", "5"},            // = again computes nothing
      {"2+3*4=", "20"},          // left to right
      {"7-10=", "-3"},
      {"1/4=", "0.25"},
      {"50+10%", "55"},          // percent of the accumulator for add and subtract
      {"50-10%", "45"},
      {"50*10%", "5"},           // a hundredth of the operand for multiply and divide
      {"50/10%", "500"},
      {"10%", "10"},             // nothing pending: nothing computed
      {"9s", "3"},
      {"4+9s=", "7"},            // the root acts as the second operand
      {"4r", "0.25"},
      {"2+4r=", "2.25"},
      {"5n", "-5"},
      {"0n", "0"},               // no "-0"
      {"1..5", "1.5"},           // one separator only
      {".5", "0.5"},
      {"123b", "12"},
      {"5nb", "0"},              // "-5" loses its digit
      {"7b", "0"},
      {"2+3e", "0"},             // CE clears the display and the pending operation
      {"2+3e4=", "4"},
      {"2+3c4=", "4"},           // C does the same
      {"5/0=", "Error"},
      {"4ns", "Error"},          // square root of a negative number
      {"0r", "Error"},
      {"5/0=3+", "Error"},       // only CE and C leave the error
      {"5/0=c", "0"},
      {"5/0=e7", "7"},
      {"1/3=", "0.333333333333333"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Sequence);
    calc_->ButtonClick(ckClearAll);
    Run(c.Sequence);
    EXPECT_EQ(calc_->Display, c.Display);
  }
}

TEST_F(CalculatorTest, MemoryButtonsAndTheirGraying) {
  struct Case {
    const char* Sequence;
    const char* Display;
    double Memory;
    bool Grayed;
  };
  const Case cases[] = {
      {"", "0", 0, true},
      {"0P", "0", 0, true},        // M+ with 0 keeps MC and MR gray
      {"5S", "5", 5, false},
      {"5S3P", "3", 8, false},
      {"5S9R", "5", 5, false},     // MR replaces the typed number
      {"5SL", "5", 0, true},
      {"5Sc", "0", 5, false},      // C keeps the memory
      {"5Se", "0", 5, false},
      {"5S2+R=", "7", 5, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Sequence);
    calc_->ResetEngine();
    calc_->ButtonClick(ckClearAll);
    Run(c.Sequence);
    EXPECT_EQ(calc_->Display, c.Display);
    EXPECT_EQ(double(calc_->Memory()), c.Memory);
    EXPECT_EQ(calc_->Button(ckMemoryClear).Grayed, c.Grayed);
    EXPECT_EQ(calc_->Button(ckMemoryRecall).Grayed, c.Grayed);
  }
}

TEST_F(CalculatorTest, DigitLimitAndErrorsBeepWithBeepOnError) {
  struct Case {
    Integer Precision;
    bool Beep;
    const char* Sequence;
    const char* Display;
    int Beeps;
  };
  const Case cases[] = {
      {15, true, "1234567890123456", "123456789012345", 1},
      {15, true, "123456789012345n6", "-123456789012345", 1},  // the sign does not count
      {3, true, "12345", "123", 2},
      {1, true, "123", "12", 1},                               // at least two digits
      {3, true, "1.2", "1.2", 0},                              // the separator counts as typed text
      {3, true, "1.23", "1.2", 1},
      {15, false, "5/0=", "Error", 0},
      {15, true, "5/0=", "Error", 1},
      {15, true, "5/0=1", "Error", 2},                         // every key in the error state
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Sequence);
    calc_->SetPrecision(c.Precision);
    calc_->SetBeepOnError(c.Beep);
    calc_->ButtonClick(ckClearAll);
    const int before = S().Backend().BeepCount();
    Run(c.Sequence);
    EXPECT_EQ(calc_->Display, c.Display);
    EXPECT_EQ(S().Backend().BeepCount() - before, c.Beeps);
  }
}

TEST_F(CalculatorTest, ResultBeyondTheNumberRangeShowsTheError) {
  calc_->Display = "1E300";
  calc_->ButtonClick(ckClearEntry);
  calc_->Display = "1E300";
  calc_->ButtonClick(ckMultiply);  // status 0: the display as it is
  calc_->ButtonClick(ckDigit1);
  calc_->Display = "1E300";
  calc_->ButtonClick(ckEquals);
  EXPECT_EQ(calc_->Display, "Error");
  EXPECT_EQ(calc_->Status(), csError);
}

TEST_F(CalculatorTest, EventsReplaceKindsAndReportResults) {
  int results = 0, changes = 0;
  calc_->OnResultReady = [&](TObject*) { ++results; };
  calc_->OnDisplayChanged = [&](TObject*) { ++changes; };
  calc_->OnButtonPress = [](TObject*, TcxCalcButtonKind& k) {
    if (k == ckDigit9) k = ckDigit8;
  };
  Run("9+1=");
  EXPECT_EQ(calc_->Display, "9");
  EXPECT_EQ(results, 1);
  EXPECT_GE(changes, 1);
  Run("5%");
  EXPECT_EQ(results, 2);
}

TEST_F(CalculatorTest, KeysThroughTheBackend) {
  calc_->SetFocus();
  Pump();
  ASSERT_TRUE(calc_->Focused());
  S().TypeText("12+3");
  S().PressKey(VK_RETURN);
  EXPECT_EQ(calc_->Display, "15");
  S().TypeText("*2=");
  EXPECT_EQ(calc_->Display, "30");
  S().PressKey(VK_F9);
  EXPECT_EQ(calc_->Display, "-30");
  S().PressKey(VK_ESCAPE);
  EXPECT_EQ(calc_->Display, "0");
  S().TypeText("16@");
  EXPECT_EQ(calc_->Display, "4");
  S().PressKey('R');  // R alone: reciprocal
  EXPECT_EQ(calc_->Display, "0.25");
  S().PressKey('M', false, true);  // Ctrl+M: store
  EXPECT_FALSE(calc_->Button(ckMemoryRecall).Grayed);
  S().PressKey('C');  // C alone: clear all
  S().PressKey('R', false, true);  // Ctrl+R: recall
  EXPECT_EQ(calc_->Display, "0.25");
  S().PressKey('P', false, true);
  EXPECT_DOUBLE_EQ(double(calc_->Memory()), 0.5);
  S().PressKey('L', false, true);
  EXPECT_TRUE(calc_->Button(ckMemoryClear).Grayed);
  S().TypeText("1,5");  // "," types the decimal separator
  EXPECT_EQ(calc_->Display, "1.5");
  S().PressKey(VK_DELETE);
  EXPECT_EQ(calc_->Display, "0");
  // No key raises, whatever it is.
  for (int vk : {int(VK_LEFT), int(VK_TAB), int(VK_HOME), int('X'), int(VK_F2)}) S().PressKey(vk);
  S().TypeText("x!?");
  EXPECT_EQ(calc_->Display, "0");
}

TEST_F(CalculatorTest, HeldBackspaceRepeatsAndAHeldDigitActsOnce) {
  calc_->SetFocus();
  Pump();
  S().TypeText("123456");
  // Key repeats: key downs without key ups.
  for (int i = 0; i < 3; ++i) S().KeyDown(VK_BACK);
  EXPECT_EQ(calc_->Display, "123");
  EXPECT_EQ(calc_->KeyPressedButton(), ckBack);
  EXPECT_TRUE(calc_->Button(ckBack).Down);
  S().KeyUp(VK_BACK);
  EXPECT_EQ(calc_->KeyPressedButton(), ckNone);
  EXPECT_FALSE(calc_->Button(ckBack).Down);
  for (int i = 0; i < 4; ++i) S().KeyDown('5');
  EXPECT_EQ(calc_->Display, "1235");
  EXPECT_TRUE(calc_->Button(ckDigit5).Down);
  S().KeyUp('5');
  EXPECT_FALSE(calc_->Button(ckDigit5).Down);
}

TEST_F(CalculatorTest, ClicksHotTrackingAndPressTracking) {
  calc_->Painter = TcxUltraFlatLookAndFeelPainter::Class();
  const HWND wnd = calc_->Handle();
  for (TcxCalcButtonKind k : {ckDigit7, ckAdd, ckDigit8, ckEquals}) S().Click(wnd, Center(k));
  EXPECT_EQ(calc_->Display, "15");
  EXPECT_TRUE(calc_->Focused());  // a click takes the focus
  // Hot tracking follows the pointer; leaving the control forgets it.
  S().MoveMouse(wnd, Center(ckDigit4));
  EXPECT_EQ(calc_->HotButton(), ckDigit4);
  S().MoveMouse(wnd, Center(ckSquareRoot));
  EXPECT_EQ(calc_->HotButton(), ckSquareRoot);
  S().MoveMouse(form_->Handle(), POINT{400, 300});
  calc_->Perform(CM_MOUSELEAVE, 0, 0);  // as the application's idle round tells it
  EXPECT_EQ(calc_->HotButton(), ckNone);
  // A press dragged off its button and released elsewhere does not click.
  S().MouseDown(wnd, Center(ckDigit9));
  EXPECT_TRUE(calc_->Button(ckDigit9).Down);
  S().MoveMouse(wnd, Center(ckDigit1));
  EXPECT_FALSE(calc_->Button(ckDigit9).Down);
  S().MouseUp(wnd, Center(ckDigit1));
  EXPECT_EQ(calc_->Display, "15");
  EXPECT_EQ(calc_->MousePressedButton(), ckNone);
  // A grayed button takes no press; the standard painter does not hot-track.
  S().Click(wnd, Center(ckMemoryRecall));
  EXPECT_FALSE(calc_->Button(ckMemoryRecall).Down);
  calc_->Painter = nullptr;
  S().MoveMouse(wnd, Center(ckDigit2));
  EXPECT_NE(calc_->HotButton(), ckDigit2);
}

TEST_F(CalculatorTest, CopyAndPaste) {
  struct Case {
    const char* Clipboard;
    const char* Display;
  };
  const Case cases[] = {
      {"42", "42"},
      {" $12.5 ", "12.5"},  // the currency string is removed
      {"-3e2", "-300"},
      {"abc", "0"},         // no number: 0
      {"", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Clipboard);
    calc_->Display = "7";
    Clipboard()->SetAsText(c.Clipboard);
    calc_->PasteFromClipboard();
    EXPECT_EQ(calc_->Display, c.Display);
  }
  calc_->SetFocus();
  Pump();
  S().TypeText("2");  // a pasted number counts as typed: the digit appends
  calc_->Display = "5";
  Clipboard()->SetAsText("9");
  S().PressKey('V', false, true);
  S().TypeText("1");
  EXPECT_EQ(calc_->Display, "91");
  S().PressKey('C', false, true);
  EXPECT_EQ(Clipboard()->AsText(), "91");
}

TEST_F(CalculatorTest, SizingRuleAndReset) {
  // The constructor's metrics and size.
  EXPECT_EQ(calc_->ClientWidth(), 198);
  EXPECT_EQ(calc_->ClientHeight(), 131);
  EXPECT_EQ(calc_->ButtonHeight(), 22);
  EXPECT_EQ(calc_->ButtonWidth(), 28);
  EXPECT_EQ(calc_->TopButtonWidth(), 47);
  EXPECT_EQ(calc_->ButtonGap(), 3);
  // A resize to that same size follows the rule and does not give it back: 202 x 133.
  calc_->SetBounds(10, 10, 250, 200);
  calc_->SetBounds(10, 10, 198, 131);
  EXPECT_EQ(calc_->ButtonHeight(), 23);
  EXPECT_EQ(calc_->ClientWidth(), 202);
  EXPECT_EQ(calc_->ClientHeight(), 133);
  struct Case {
    Integer W, H, ButtonH, ButtonW, Gap, FontSize;
  };
  const Case cases[] = {
      {400, 270, 46, 59, 6, 17},
      {1000, 160, 27, 34, 4, 10},  // the height limits
      {100, 60, 22, 28, 3, 8},     // never below 22
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.W << " x " << c.H);
    Run("5S2+");
    calc_->SetBounds(10, 10, c.W, c.H);
    EXPECT_EQ(calc_->ButtonHeight(), c.ButtonH);
    EXPECT_EQ(calc_->ButtonWidth(), c.ButtonW);
    EXPECT_EQ(calc_->ButtonGap(), c.Gap);
    EXPECT_EQ(calc_->ButtonFontSize(), c.FontSize);
    EXPECT_EQ(calc_->ClientWidth(), calc_->TotalWidth());
    EXPECT_EQ(calc_->ClientHeight(), calc_->TotalHeight());
    // Resizing resets the memory and the pending operation.
    EXPECT_EQ(double(calc_->Memory()), 0);
    EXPECT_EQ(calc_->PendingOperator(), ckEquals);
    // Layout: C ends at the right of the last column; the columns after the memory column
    // start 4 pixels further.
    const Integer g = c.Gap, w = c.ButtonW;
    EXPECT_EQ(calc_->Button(ckMemoryClear).Bounds.Left, g);
    EXPECT_EQ(calc_->Button(ckDigit7).Bounds.Left, g + w + 2 * g + 4);
    EXPECT_EQ(calc_->Button(ckClearAll).Bounds.Right, calc_->Button(ckEquals).Bounds.Right);
    EXPECT_EQ(calc_->Button(ckClearEntry).Bounds.Right, calc_->Button(ckClearAll).Bounds.Left - g);
    EXPECT_EQ(calc_->Button(ckEquals).Bounds.Bottom, calc_->TotalHeight() - g);
  }
  // Without font scaling the buttons are twice the font's "Qq" high.
  calc_->SetScaleFontWithSize(false);
  calc_->SetBounds(10, 10, 300, 300);
  EXPECT_EQ(calc_->ButtonHeight(), 2 * MeasureTextHeightInFont(calc_->Font(), "Qq"));
}

TEST_F(CalculatorTest, SheetsAtTwoSizes) {
  calc_->Painter = TcxUltraFlatLookAndFeelPainter::Class();
  Run("5S");
  calc_->SetFocus();
  Pump();
  S().Snapshot(calc_->Handle(), "editors_extra_calculator_small.png");
  // 5 stored in memory: the memory buttons are live in both pictures.
  const String shown = calc_->Display;
  EXPECT_EQ(shown, "5");
  EXPECT_FALSE(calc_->Button(ckMemoryRecall).Grayed);
  const Integer smallWidth = calc_->Width();
  calc_->SetBounds(10, 10, 400, 270);
  Run("5S");
  S().MoveMouse(calc_->Handle(), Center(ckDigit5));
  S().MouseDown(calc_->Handle(), Center(ckDigit8));
  Pump();
  EXPECT_GT(calc_->Width(), smallWidth);
  EXPECT_EQ(calc_->Display, shown);
  S().Snapshot(calc_->Handle(), "editors_extra_calculator_large.png");
  S().MouseUp(calc_->Handle(), Center(ckDigit8));
}

}  // namespace
