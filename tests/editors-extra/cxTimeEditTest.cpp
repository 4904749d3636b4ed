// The time edit: typed digits and designators in 24- and 12-hour formats, stepping per part
// under the caret (designator toggles, fast steps), the circular day, the kept date part and
// the display texts.
#include <gtest/gtest.h>

#include "editors-extra/cxTimeEdit.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace {

TEST(TimeEditTyping, DigitsAndDesignatorsIn24And12HourFormats) {
  InitializeCxTimeEdit();
  struct Case {
    bool Use24;
    const char* Start;
    Integer Caret;
    const char* Typed;
    const char* Text;
    Integer CaretAfter;
    Integer Refused;  // how many of the typed characters were refused
  };
  const Case cases[] = {
      // A first hour digit above 2 becomes "0" + digit; the caret stands after the part.
      {true, "00:00:00", 0, "7", "07:00:00", 3, 0},
      {true, "00:00:00", 0, "25", "05:00:00", 3, 0},
      {true, "00:00:00", 0, "19", "19:00:00", 3, 0},
      {true, "00:00:00", 3, "8", "00:08:00", 6, 0},
      {true, "00:00:00", 3, "59", "00:59:00", 6, 0},
      // "6" leaves the second range: "06", the caret at the end refuses the "1".
      {true, "00:00:00", 6, "61", "00:00:06", 8, 1},
      {true, "20:00:00", 0, "3", "03:00:00", 3, 0},
      // A first digit inside the maximum's first digit makes the part digit + "0".
      {true, "09:00:00", 0, "2", "20:00:00", 1, 0},
      {false, "10:00:00 AM", 0, "0", "01:00:00 AM", 1, 0},
      // A literal under the caret is skipped before typing.
      {true, "00:00:00", 2, "4", "00:40:00", 4, 0},
      {true, "00:00:00", 0, "x", "00:00:00", 0, 1},
      // 12-hour hours run 1..12: "0" after "0" is refused; "1" then "5" gives "05".
      {false, "12:00:00 AM", 0, "00", "02:00:00 AM", 1, 1},
      {false, "12:00:00 AM", 0, "15", "05:00:00 AM", 3, 0},
      {false, "12:00:00 AM", 0, "2", "02:00:00 AM", 3, 0},
      {false, "12:00:00 AM", 9, "p", "12:00:00 PM", 11, 0},
      {false, "12:00:00 PM", 9, "a", "12:00:00 AM", 11, 0},
      {false, "12:00:00 PM", 9, "q", "12:00:00 PM", 9, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Start << " at " << c.Caret << " typed " << c.Typed);
    TcxTimeEditProperties p(nullptr);
    p.SetUse24HourFormat(c.Use24);
    String text = c.Start;
    Integer caret = c.Caret, refused = 0;
    for (const char* k = c.Typed; *k; ++k)
      if (!TypeTimeChar(text, caret, char32_t(*k), [&p](Integer pos, TcxTimePartInfo& info) {
            return p.TimePartInfo(pos, info);
          }))
        ++refused;
    EXPECT_EQ(text, c.Text);
    EXPECT_EQ(caret, c.CaretAfter);
    EXPECT_EQ(refused, c.Refused);
  }
}

TEST(TimeEditFormats, TableMasksAndPartStarts) {
  InitializeCxTimeEdit();
  EXPECT_EQ(TimeEditFormat(tfHourMinSec, false, 1), "00:00:00 cc;1;0");
  EXPECT_EQ(TimeEditFormat(tfHour, false, 1), "00 cc;1;0");
  EXPECT_EQ(TimeEditFormat(tfHourMin, true, 0), "hh:nn");
  TcxTimeEditProperties p(nullptr);
  EXPECT_EQ(p.EditMask(), "00:00:00;1;0");
  EXPECT_DOUBLE_EQ(p.MaxValue(), 86399);
  EXPECT_EQ(p.WrapMode(), cxSpinNoWrap);
  p.SetCircular(true);
  EXPECT_EQ(p.WrapMode(), cxSpinCircular);
  p.SetTimeFormat(tfHourMin);
  p.SetUse24HourFormat(false);
  EXPECT_EQ(p.EditMask(), "00:00 cc;1;0");
  EXPECT_EQ(p.TimePartStart(tpkDesignator), 7);
  EXPECT_EQ(p.TimePartAt(0), tpkHour);
  EXPECT_EQ(p.TimePartAt(2), tpkMinute);
  EXPECT_EQ(p.TimePartAt(6), tpkDesignator);
  Variant display;
  try {
    p.PrepareDisplayValue(VarArrayOf({Variant(1)}), display, false);
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Could not convert to time");
  }
  p.PrepareDisplayValue(Variant(0.75), display, false);
  EXPECT_EQ(VarToStr(display), "06:00 PM");
  p.PrepareDisplayValue(Null(), display, true);
  EXPECT_EQ(VarToStr(display), "12:00 AM");
}

class TimeEditTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    InitializeCxTimeEdit();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 300, 200);
    edit_ = new TcxTimeEdit(form_);
    edit_->SetBounds(10, 10, 140, 21);
    edit_->SetParent(form_);
    other_ = new TEdit(form_);
    other_->SetBounds(10, 100, 100, 21);
    other_->SetParent(form_);
    form_->Show();
    other_->SetFocus();
    Pump();
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  String Text() { return VarToStr(edit_->CurrentDisplayText()); }
  using THeadlessFixture::Focus;
  void Focus() { Focus(edit_); }

  TForm* form_ = nullptr;
  TcxTimeEdit* edit_ = nullptr;
  TEdit* other_ = nullptr;
};

TEST_F(TimeEditTest, StepsThePartUnderTheCaret) {
  struct Case {
    bool Use24;
    double Time;  // days
    Integer Caret;
    int Key;
    const char* Text;
  };
  const double t103015 = (10 * 3600 + 30 * 60 + 15) / 86400.0;
  const Case cases[] = {
      {true, t103015, 0, VK_UP, "11:30:15"},
      {true, t103015, 3, VK_UP, "10:31:15"},
      {true, t103015, 7, VK_DOWN, "10:30:14"},
      // Fast steps: minutes and seconds by 10, hours by 1.
      {true, t103015, 3, VK_PRIOR, "10:40:15"},
      {true, t103015, 6, VK_NEXT, "10:30:05"},
      {true, t103015, 0, VK_PRIOR, "11:30:15"},
      // The designator toggles in both directions.
      {false, t103015, 9, VK_UP, "10:30:15 PM"},
      {false, t103015 + 0.5, 9, VK_UP, "10:30:15 AM"},
      {false, t103015 + 0.5, 9, VK_DOWN, "10:30:15 AM"},
      // Without Circular the end of the day stays.
      {true, 86399 / 86400.0, 7, VK_UP, "23:59:59"},
      {true, 0, 7, VK_DOWN, "00:00:00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Text);
    edit_->Properties()->SetUse24HourFormat(c.Use24);
    edit_->SetTime(c.Time);
    Focus();
    edit_->SetSelStart(c.Caret);
    edit_->SetSelLength(0);
    S().PressKey(c.Key);
    EXPECT_EQ(Text(), c.Text);
    other_->SetFocus();
    Pump();
  }
  // With Circular the day wraps.
  edit_->Properties()->SetUse24HourFormat(true);
  edit_->Properties()->SetCircular(true);
  edit_->SetTime(86399 / 86400.0);
  Focus();
  edit_->SetSelStart(7);
  S().PressKey(VK_UP);
  EXPECT_EQ(Text(), "00:00:00");
}

TEST_F(TimeEditTest, TypingCorrectsDigitsAndKeepsTheDatePart) {
  const double day = 45000;  // a date with 18:00
  edit_->SetEditValue(VarFromDateTime(day + 0.75));
  EXPECT_DOUBLE_EQ(edit_->DatePart(), day);
  Focus();
  edit_->SetSelStart(0);
  edit_->SetSelLength(0);
  S().TypeText("7");
  EXPECT_EQ(Text(), "07:00:00");
  EXPECT_EQ(edit_->SelStart(), 3);
  ASSERT_TRUE(edit_->ValidateEdit(false));
  EXPECT_DOUBLE_EQ(edit_->EditValue().AsDouble(), day + 7 / 24.0);
  // A negative date keeps its time subtracted.
  edit_->SetEditValue(VarFromDateTime(-3.25));
  edit_->SetTime(0.5);
  EXPECT_DOUBLE_EQ(edit_->EditValue().AsDouble(), -3.5);
  EXPECT_DOUBLE_EQ(edit_->Time(), 0.5);
  // A value without a date part takes the time as it is.
  edit_->SetEditValue(Null());
  edit_->SetTime(0.25);
  EXPECT_DOUBLE_EQ(edit_->EditValue().AsDouble(), 0.25);
}

TEST_F(TimeEditTest, UnfocusedTextsFollowShowDateAndTheTimeFormatSwitch) {
  edit_->SetEditValue(VarFromDateTime(EncodeDate(2024, 3, 5) + 0.75));
  EXPECT_EQ(Text(), "18:00:00");
  edit_->Properties()->SetShowDate(true);
  EXPECT_EQ(Text(), DateTimeToStr(EncodeDate(2024, 3, 5) + 0.75));
  edit_->Properties()->SetShowDate(false);
  edit_->Properties()->SetUseTimeFormatWhenUnfocused(false);
  EXPECT_EQ(Text(), TimeToStr(0.75));
}

}  // namespace
