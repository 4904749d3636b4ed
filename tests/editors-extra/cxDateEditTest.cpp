// The date edit: buttons and input kind derived from the kind, parsing and display texts,
// validation with each DateOnError, the saved time across calendar picks and typing for
// positive and negative dates, the default editors of date and time fields.
#include <gtest/gtest.h>

#include <cmath>

#include "db/DB.h"
#include "editors-extra/cxCalendar.h"
#include "editors-extra/cxEditDBRegisteredRepositoryItems.h"
#include "editors/cxEditPaintUtils.h"
#include "editors/cxEditRepositoryItems.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace {

const TDateTime kToday = EncodeDate(2024, 3, 13);

class DateEditTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    InitializeCxCalendar();
    S().Clock().SetNow(kToday + 0.5);
    form_ = new TForm(Application);
    form_->SetBounds(50, 50, 400, 300);
    edit_ = new TcxDateEdit(form_);
    edit_->SetBounds(10, 10, 160, 21);
    edit_->SetParent(form_);
    other_ = new TEdit(form_);
    other_->SetBounds(10, 200, 100, 21);
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
  TcxDateEditProperties* P() { return edit_->Properties(); }
  // Opens the calendar with a click on the drop-down button.
  void OpenByClick() {
    TcxCustomEditViewInfo* vi = edit_->GetEditViewInfo();
    ASSERT_FALSE(vi->Buttons.empty());
    const TRect& b = vi->Buttons[0]->Bounds;
    S().Click(edit_->Handle(), POINT{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2});
    Pump();
    ASSERT_TRUE(edit_->DroppedDown());
  }

  TForm* form_ = nullptr;
  TcxDateEdit* edit_ = nullptr;
  TEdit* other_ = nullptr;
};

TEST_F(DateEditTest, ButtonsAndInputKindFollowTheKindUntilAssigned) {
  auto* c = GlobalFormatController();
  TcxDateEditProperties p(nullptr);
  EXPECT_EQ(p.DateButtons(), (TDateButtons{btnClear, btnToday}));
  EXPECT_EQ(p.InputKind(), ikRegExpr);
  EXPECT_EQ(p.MaskKind(), emkRegExprEx);
  EXPECT_EQ(p.EditMask(), c->DateMaskRegExpr());
  EXPECT_FALSE(p.IsDateButtonsStored());
  p.SetKind(ckDateTime);
  EXPECT_EQ(p.DateButtons(), (TDateButtons{btnClear, btnNow}));
  EXPECT_EQ(p.InputKind(), ikMask);
  EXPECT_EQ(p.MaskKind(), emkStandard);
  EXPECT_EQ(p.EditMask(), c->DateTimeStandardMask());
  // Assigned values stay; a copy of unassigned ones stays derived from its own kind.
  TcxDateEditProperties q(nullptr);
  q.Assign(&p);
  EXPECT_FALSE(q.IsDateButtonsStored());
  EXPECT_FALSE(q.IsInputKindStored());
  q.SetKind(ckDate);
  EXPECT_EQ(q.DateButtons(), (TDateButtons{btnClear, btnToday}));
  p.SetDateButtons(TDateButtons{btnToday});
  p.SetInputKind(ikStandard);
  EXPECT_EQ(p.EditMask(), "");
  q.Assign(&p);
  EXPECT_TRUE(q.IsDateButtonsStored());
  EXPECT_EQ(q.DateButtons(), TDateButtons{btnToday});
  EXPECT_EQ(q.InputKind(), ikStandard);
}

TEST_F(DateEditTest, TextToDateAndValidValues) {
  struct Case {
    const char* Text;
    TDateOnError OnError;
    TcxCalendarKind Kind;
    bool IsNull;
    TDateTime Expected;
  };
  const Case cases[] = {
      {"3/25/2024", deNoChange, ckDate, false, EncodeDate(2024, 3, 25)},
      {"3/25/2024 6:00 PM", deNoChange, ckDateTime, false, EncodeDate(2024, 3, 25) + 0.75},
      {"today", deNoChange, ckDate, false, kToday},
      {"", deToday, ckDate, true, 0},
      {"abc", deNoChange, ckDate, true, 0},
      {"abc", deNull, ckDate, true, 0},
      {"abc", deToday, ckDate, false, kToday},
      {"abc", deToday, ckDateTime, false, kToday + 0.5},
      // Years outside 100..9999 are refused.
      {"1/1/10000", deNoChange, ckDate, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "'" << c.Text << "' " << c.OnError << " " << c.Kind);
    TcxDateEditProperties p(nullptr);
    p.SetDateOnError(c.OnError);
    p.SetKind(c.Kind);
    Variant v;
    p.TextToDate(c.Text, v);
    ASSERT_EQ(v.IsNull(), c.IsNull);
    if (!c.IsNull) {
      EXPECT_DOUBLE_EQ(v.AsDouble(), c.Expected);
    }
  }
  TcxDateEditProperties p(nullptr);
  const std::pair<Variant, bool> values[] = {{Variant("abc"), false},  {Variant("3/1/2024"), true},
                                             {Variant(12.5), true},     {Variant(-3), true},
                                             {Null(), true},            {Variant(""), true},
                                             {VarArrayOf({Variant(1)}), false}};
  for (const auto& [value, valid] : values) {
    Variant v = value;
    EXPECT_EQ(p.IsEditValueValid(v, false), valid) << VarToStr(value.IsArray() ? Variant("array") : value);
  }
  // Display texts: the locale's date, with the time for a date-time value.
  Variant display;
  p.PrepareDisplayValue(VarFromDateTime(EncodeDate(2024, 3, 5) + 0.75), display, false);
  EXPECT_EQ(VarToStr(display), "3/5/2024 6:00:00 PM");
  p.SetShowTime(false);
  p.PrepareDisplayValue(VarFromDateTime(EncodeDate(2024, 3, 5) + 0.75), display, false);
  EXPECT_EQ(VarToStr(display), "3/5/2024");
  p.PrepareDisplayValue(Null(), display, false);
  EXPECT_EQ(VarToStr(display), "");
  EXPECT_THROW(p.DateToText(VarArrayOf({Variant(1)}), false), EConvertError);
  try {
    p.DateToText(Variant("abc"), false);
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Could not convert to date");
  }
}

TEST_F(DateEditTest, ValidationWithEachDateOnError) {
  struct Case {
    TDateOnError OnError;
    TcxCalendarKind Kind;
    bool Error;
    bool IsNull;
    TDateTime Expected;
  };
  const Case cases[] = {
      {deNoChange, ckDate, true, false, 0},
      {deToday, ckDate, false, false, kToday},
      {deToday, ckDateTime, false, false, kToday + 0.5},
      {deNull, ckDate, false, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.OnError << " " << c.Kind);
    P()->SetDateOnError(c.OnError);
    P()->SetKind(c.Kind);
    edit_->SetEditValue(VarFromDateTime(EncodeDate(2024, 1, 2)));
    const String shown = Text();
    Variant display(String("no date"));
    String error_text;
    bool error = false;
    P()->ValidateDisplayValue(display, error_text, error, edit_);
    ASSERT_EQ(error, c.Error);
    if (c.Error) {
      EXPECT_EQ(error_text, "Invalid Date");
      EXPECT_EQ(VarToStr(display), shown);  // the text is restored
    } else if (c.IsNull) {
      EXPECT_TRUE(display.IsNull());
    } else {
      EXPECT_DOUBLE_EQ(display.AsDouble(), c.Expected);
    }
  }
  // An empty text means no date, without an error.
  P()->SetDateOnError(deNoChange);
  P()->SetKind(ckDate);
  Variant display(String(""));
  String error_text;
  bool error = false;
  P()->ValidateDisplayValue(display, error_text, error, edit_);
  EXPECT_FALSE(error);
  EXPECT_TRUE(display.IsNull());
  // A range check on the parsed date.
  P()->SetMinDate(EncodeDate(2024, 1, 1));
  P()->SetMaxDate(EncodeDate(2024, 12, 31));
  display = Variant(String("3/1/2025"));
  P()->ValidateDisplayValue(display, error_text, error, edit_);
  EXPECT_TRUE(error);
}

// The empty texts: the mask's blanks, and for editing a date-time mask its blank date with a
// zero time; each means no date, while typing and when validated.
TEST_F(DateEditTest, EmptyDateTimeMaskTextShowsAZeroTimeAndMeansNoDate) {
  P()->SetKind(ckDateTime);
  P()->SetInputKind(ikMask);
  const String display_empty = P()->EmptyDateText(false), editing_empty = P()->EmptyDateText(true);
  ASSERT_FALSE(display_empty.empty());
  ASSERT_EQ(CharCount(editing_empty), CharCount(display_empty));
  String zero;
  FormatDateForEdit(true, true, false, zero, 0);
  const Integer n = FormatTextLength(GlobalFormatController()->TimeItems());
  ASSERT_GT(n, 0);
  // The time positions carry the zero time; the date positions stay as the mask's blanks.
  EXPECT_EQ(CopyChars(editing_empty, CharCount(editing_empty) - n + 1, n), CopyChars(zero, CharCount(zero) - n + 1, n));
  const Integer head = CharCount(editing_empty) - n;
  EXPECT_EQ(CopyChars(editing_empty, 1, head), CopyChars(display_empty, 1, head));
  EXPECT_NE(editing_empty, display_empty);
  P()->SetDateOnError(deToday);  // a text taken for a bad date would become today
  for (const String& text : {String(""), display_empty, editing_empty}) {
    SCOPED_TRACE("'" + text + "'");
    Variant v(String("x"));
    P()->TextToDate(text, v);
    EXPECT_TRUE(v.IsNull());
    Variant display(text);
    String error_text;
    bool error = false;
    P()->ValidateDisplayValue(display, error_text, error, edit_);
    EXPECT_FALSE(error);
    EXPECT_TRUE(display.IsNull());
  }
  // A date kind has no time positions: both empty texts are the mask's.
  P()->SetKind(ckDate);
  P()->SetInputKind(ikMask);
  EXPECT_EQ(P()->EmptyDateText(true), P()->EmptyDateText(false));
  // In the edit: no date shows the editing empty text while focused and stays no date.
  P()->SetKind(ckDateTime);
  P()->SetInputKind(ikMask);
  edit_->SetEditValue(Null());
  edit_->SetFocus();
  Pump();
  EXPECT_EQ(Text(), P()->EmptyDateText(true));
  other_->SetFocus();
  Pump();
  EXPECT_TRUE(edit_->EditValue().IsNull());
}

TEST_F(DateEditTest, SaveTimeAcrossPicksAndTypingForPositiveAndNegativeDates) {
  struct Case {
    bool SaveTime;
    TDateTime Start, Pick, Expected;
  };
  const TDateTime d1 = EncodeDate(2024, 3, 5), d2 = EncodeDate(2024, 3, 20);
  const double t1030 = 10.5 / 24;
  const Case cases[] = {
      {true, d1 + t1030, d2, d2 + t1030},
      {false, d1 + t1030, d2, d2},
      // Before 30 December 1899 the time is subtracted.
      {true, -5 - t1030, -10, -10 - t1030},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.SaveTime << " " << c.Start);
    P()->SetSaveTime(c.SaveTime);
    edit_->SetEditValue(VarFromDateTime(c.Start));
    EXPECT_DOUBLE_EQ(edit_->SavedTime(), c.SaveTime ? t1030 : 0);
    OpenByClick();
    edit_->Calendar()->SetSelectDate(c.Pick);
    edit_->AcceptCalendarValue(edit_->Calendar());
    EXPECT_DOUBLE_EQ(edit_->Date(), c.Expected);
    S().PressKey(VK_ESCAPE);
    EXPECT_FALSE(edit_->DroppedDown());
  }
  // Typing a date keeps the saved time too.
  P()->SetSaveTime(true);
  edit_->SetEditValue(VarFromDateTime(d1 + t1030));
  Variant v;
  edit_->DisplayToEditValue(Variant("3/25/2024"), v, true);
  EXPECT_DOUBLE_EQ(v.AsDouble(), EncodeDate(2024, 3, 25) + t1030);
  // Writing Date keeps it as well; the null date clears the value.
  edit_->SetDate(d2);
  EXPECT_DOUBLE_EQ(edit_->EditValue().AsDouble(), d2 + t1030);
  edit_->SetDate(NoDateValue);
  EXPECT_TRUE(edit_->EditValue().IsNull());
  EXPECT_EQ(edit_->Date(), NoDateValue);
}

TEST_F(DateEditTest, CalendarSetUpFromTheEditAndItsButtons) {
  P()->SetKind(ckDateTime);
  P()->SetWeekNumbers(true);
  edit_->SetEditValue(VarFromDateTime(EncodeDate(2024, 7, 9) + 0.25));
  OpenByClick();
  TcxPopupCalendar* c = edit_->Calendar();
  EXPECT_EQ(c->Kind(), ckDateTime);
  EXPECT_TRUE(c->WeekNumbers());
  EXPECT_EQ(c->ButtonSet(), (TDateButtons{btnClear, btnNow}));
  EXPECT_EQ(c->FirstDate(), EncodeDate(2024, 7, 1));
  EXPECT_DOUBLE_EQ(c->TimeEdit()->Time(), 0.25);
  // Clear writes no date.
  c->ButtonClick(c->Button(btnClear));
  EXPECT_TRUE(edit_->EditValue().IsNull());
  EXPECT_FALSE(edit_->DroppedDown());
  // Now writes the clock's date and time.
  OpenByClick();
  c->ButtonClick(c->Button(btnNow));
  EXPECT_DOUBLE_EQ(edit_->Date(), kToday + 0.5);
  EXPECT_FALSE(edit_->DroppedDown());
}

TEST_F(DateEditTest, InjectedClicksAndKeysOpenPickAndClose) {
  edit_->SetEditValue(VarFromDateTime(EncodeDate(2024, 3, 5)));
  OpenByClick();
  TcxPopupCalendar* c = edit_->Calendar();
  ASSERT_TRUE(c->HandleAllocated());
  EXPECT_EQ(c->FirstDate(), EncodeDate(2024, 3, 1));
  S().Snapshot(edit_->PopupWindow()->Handle(), "dateedit_popup_date.png");
  // ckDate: a click on a day picks it and closes the popup.
  const TDateTime pick = EncodeDate(2024, 3, 22);
  POINT cell{0, 0};
  for (Integer r = 0; r < 6; ++r)
    for (Integer col = 0; col < 7; ++col)
      if (CalendarCellDate(c->FirstDate(), col, r) == pick) {
        const TRect rc = c->DayCellRect(col, r);
        cell = POINT{(rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2};
      }
  S().Click(c->Handle(), cell);
  Pump();
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(edit_->Date(), pick);
  EXPECT_EQ(c->Parent(), nullptr);  // the calendar went back out of the popup
  // F4 opens, Escape closes without a change; Alt+Down opens, Enter accepts a moved day.
  edit_->SetFocus();
  Pump();
  S().PressKey(VK_F4);
  Pump();
  ASSERT_TRUE(edit_->DroppedDown());
  S().PressKey(VK_RIGHT);
  S().PressKey(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(edit_->Date(), pick);
  S().PressKey(VK_DOWN, false, false, true);
  Pump();
  ASSERT_TRUE(edit_->DroppedDown());
  S().PressKey(VK_RIGHT);
  S().PressKey(VK_RETURN);
  Pump();
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(edit_->Date(), pick + 1);
  // ckDateTime: a day click only selects; OK accepts with the time edit's time.
  P()->SetKind(ckDateTime);
  OpenByClick();
  S().Snapshot(edit_->PopupWindow()->Handle(), "dateedit_popup_datetime.png");
  c->TimeEdit()->SetTime(0.75);
  const TRect rc = c->DayCellRect(3, 3);
  S().Click(c->Handle(), POINT{(rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2});
  Pump();
  EXPECT_TRUE(edit_->DroppedDown());
  const TDateTime selected = c->SelectDate();
  S().Click(c->Button(btnOk)->Handle(), POINT{4, 4});
  Pump();
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_DOUBLE_EQ(edit_->Date(), selected + 0.75);
  // Freeing the edit while the popup shows leaves no popup behind.
  OpenByClick();
  TcxCustomEditPopupWindow* popup = edit_->PopupWindow();
  ASSERT_TRUE(popup->Visible());
  edit_->Free();
  edit_ = nullptr;
  Pump();
}

TEST_F(DateEditTest, FreeingTheFormWithAnOpenPopupLeavesNoFocusedFormBehind) {
  edit_->SetFocus();
  Pump();
  OpenByClick();
  const TCustomForm* gone = form_;
  form_->Free();
  form_ = nullptr;
  Pump();
  // Closing the popup focused the edit again while its form was going.
  EXPECT_NE(Screen->FocusedForm(), gone);
}

// Seeded random keys and clicks on the edit and its calendar: nothing crashes, and a shown
// popup always belongs to an edit that says it is dropped down.
TEST_F(DateEditTest, RandomKeysAndClicksKeepThePopupWithItsOwner) {
  P()->SetDateOnError(deNull);
  edit_->SetEditValue(VarFromDateTime(EncodeDate(2024, 3, 5)));
  edit_->SetFocus();
  Pump();
  const int keys[] = {VK_F4, VK_ESCAPE, VK_RETURN, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_HOME, VK_END};
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  Integer opened = 0;
  for (int step = 0; step < 300; ++step) {
    SCOPED_TRACE(step);
    const uint32_t what = next(10);
    if (what < 5) {
      S().PressKey(keys[next(std::size(keys))], false, next(4) == 0, next(5) == 0);
    } else if (what < 8 && edit_->DroppedDown() && edit_->Calendar()) {
      TcxPopupCalendar* c = edit_->Calendar();
      const POINT p{LONG(next(std::max<Integer>(1, c->Width()))), LONG(next(std::max<Integer>(1, c->Height())))};
      S().Click(c->Handle(), p);
    } else {
      const TRect& b = edit_->GetEditViewInfo()->Buttons[0]->Bounds;
      S().Click(edit_->Handle(), POINT{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2});
    }
    Pump();
    if (edit_->Calendar() && edit_->Calendar()->MonthList()->Visible()) {
      ReleaseCapture();
      edit_->Calendar()->MonthList()->CloseList();
    }
    TcxCustomEditPopupWindow* popup = edit_->PopupWindow();
    opened += edit_->DroppedDown() ? 1 : 0;
    if (popup && popup->Visible()) {
      ASSERT_TRUE(edit_->DroppedDown());
    }
    if (edit_->Calendar()) {
      ASSERT_EQ(edit_->Calendar()->Parent() != nullptr, edit_->DroppedDown());
    }
  }
  EXPECT_GT(opened, 50);  // the sequence spends much of its time in the popup
}

TEST(DateEditRegistry, DateAndTimeFieldsGetTheirItems) {
  InitializeCxEditDBRegisteredRepositoryItems();
  TcxEditDBRegisteredRepositoryItems* r = GetDefaultEditDBRepositoryItems();
  for (TFieldType t : {ftDate, ftDateTime, ftTimeStamp})
    EXPECT_EQ(r->GetItemByDataType(t)->ClassType(), TcxEditRepositoryDateItem::StaticClass()) << int(t);
  EXPECT_EQ(r->GetItemByDataType(ftTime)->ClassType(), TcxEditRepositoryTimeItem::StaticClass());
  EXPECT_EQ(r->GetItemByDataType(ftString)->ClassType(), TcxEditRepositoryMaskItem::StaticClass());
  EXPECT_EQ(EditPropertiesRegistry()->FindByClassName("TcxDateEditProperties"),
            TcxDateEditProperties::StaticClass());
  // Filter editors: the regular-expression input, Clear and Today, and no date on errors.
  const TcxCustomFilterEditHelper* helper =
      FilterEditHelper(FilterEditsController()->LookupHelper(TcxDateEditProperties::StaticClass()));
  ASSERT_NE(helper, nullptr);
  TcxDateEditProperties source(nullptr), target(nullptr);
  source.SetKind(ckDateTime);
  helper->PrepareFilterProperties(&target, &source, false);
  EXPECT_EQ(target.DateButtons(), (TDateButtons{btnClear, btnToday}));
  EXPECT_EQ(target.DateOnError(), deNull);
  EXPECT_EQ(target.InputKind(), ikRegExpr);
  // No like and not like; extended, the date periods too.
  TcxFilterControlOperators ops;
  helper->SupportedOperators(&target, TcxStringValueType::Class(), ops, false);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10}));
  helper->SupportedOperators(&target, TcxStringValueType::Class(), ops, true);
  ASSERT_EQ(ops.size(), 8u + 26u);
  EXPECT_EQ(ops[8], 11);
  EXPECT_EQ(ops.back(), 36);
}

}  // namespace
