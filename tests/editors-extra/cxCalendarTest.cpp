// The month calendar: first visible date and day cells, week numbers and navigation keys;
// arrow repeat, month list, day clicks and keys of the popup calendar on the manual clock; the
// clock face's hands by sampled pixels; sheets of both kinds in each look and feel.
#include <gtest/gtest.h>

#include <cmath>

#include "editors-extra/cxCalendar.h"
#include "gdi/Surface.h"
#include "tests/editors/EditorsTestSupport.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Forms.h"

namespace {

// Sets the start of the week (FormatSettings counts Monday 0 .. Sunday 6) for a test.
class TWeekStart {
 public:
  explicit TWeekStart(Integer monday_based) : saved_(FormatSettings.FirstDayOfWeek) {
    FormatSettings.FirstDayOfWeek = Byte(monday_based);
    GlobalFormatController()->Refresh();
  }
  ~TWeekStart() {
    FormatSettings.FirstDayOfWeek = saved_;
    GlobalFormatController()->Refresh();
  }

 private:
  Byte saved_;
};

TEST(CalendarArithmetic, FirstVisibleDateAgreesWithTheDayCells) {
  struct Case {
    Integer WeekStart;  // Monday 0 .. Sunday 6
    Word Year, Month;
    Word FirstYear, FirstMonth, FirstDay;  // the date in row 0, column 0
  };
  const Case cases[] = {
      // March 2024 starts on a Friday.
      {6, 2024, 3, 2024, 2, 25},
      {0, 2024, 3, 2024, 2, 26},
      // September 2024 starts on a Sunday: with weeks from Sunday row 0 is the week before.
      {6, 2024, 9, 2024, 8, 25},
      {0, 2024, 9, 2024, 8, 26},
      // January of year 100 starts on a Friday: with weeks from Friday it shows no week before.
      {4, 100, 1, 100, 1, 1},
      {0, 100, 1, 99, 12, 28},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Year << "-" << c.Month << " week start " << c.WeekStart);
    TWeekStart start(c.WeekStart);
    const TDateTime first = EncodeDate(c.Year, c.Month, 1);
    const TDateTime expected = c.FirstYear < 100 ? EncodeDate(100, 1, 1) - 4 : EncodeDate(c.FirstYear, c.FirstMonth, c.FirstDay);
    EXPECT_EQ(CalendarCellDate(first, 0, 0), expected);
    EXPECT_EQ(CalendarFirstVisibleDate(first), expected);
    EXPECT_EQ(CalendarLastVisibleDate(first), CalendarCellDate(first, 6, 5));
    EXPECT_EQ(CalendarCellDate(first, 3, 2), expected + 17);
  }
}

TEST(CalendarArithmetic, WeekNumbersOfTheRows) {
  TWeekStart monday(0);
  auto* controller = GlobalFormatController();
  // January 2021 with weeks from Monday and the four-day rule: the first row is week 53.
  const TDateTime first = EncodeDate(2021, 1, 1);
  const Integer expected[6] = {53, 1, 2, 3, 4, 5};
  for (Integer r = 0; r < 6; ++r)
    EXPECT_EQ(WeekNumber(controller->FirstDayOfWeek(), 3, CalendarCellDate(first, 0, r)), expected[r]) << r;
}

TEST(CalendarArithmetic, NavigationKeys) {
  TWeekStart sunday(6);
  struct Case {
    TDateTime From;
    Word Key;
    TShiftState Shift;
    bool Moves;
    TDateTime To;
  };
  const TDateTime jan31 = EncodeDate(2024, 1, 31), wed = EncodeDate(2024, 3, 13);
  const Case cases[] = {
      {jan31, VK_NEXT, {}, true, EncodeDate(2024, 2, 29)},
      {EncodeDate(2023, 1, 31), VK_NEXT, {}, true, EncodeDate(2023, 2, 28)},
      {EncodeDate(2024, 3, 31), VK_PRIOR, {}, true, EncodeDate(2024, 2, 29)},
      {wed, VK_HOME, {}, true, EncodeDate(2024, 3, 10)},
      {wed, VK_END, {}, true, EncodeDate(2024, 3, 16)},
      {wed, VK_HOME, {ssCtrl}, true, EncodeDate(2024, 3, 1)},
      {wed, VK_END, {ssCtrl}, true, EncodeDate(2024, 3, 31)},
      {wed, VK_LEFT, {}, true, wed - 1},
      {wed, VK_RIGHT, {}, true, wed + 1},
      {wed, VK_UP, {}, true, wed - 7},
      {wed, VK_DOWN, {}, true, wed + 7},
      {wed, VK_DOWN, {ssAlt}, false, 0},
      {EncodeDate(100, 1, 15), VK_PRIOR, {}, false, 0},
      {EncodeDate(9999, 12, 15), VK_NEXT, {}, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << DateToStr(c.From) << " key " << c.Key);
    TDateTime to = 0;
    ASSERT_EQ(CalendarKeyDate(c.From, c.Key, c.Shift, to), c.Moves);
    if (c.Moves) {
      EXPECT_EQ(to, c.To);
    }
  }
}

class CalendarTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    InitializeCxCalendar();
    S().Clock().SetNow(EncodeDate(2024, 3, 13) + 0.5);
    form_ = new TForm(Application);
    form_->SetBounds(50, 50, 700, 500);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  template <class T>
  T* MakeCalendar(TcxCalendarKind kind, Integer left = 10, Integer top = 10) {
    auto* c = new T(form_);
    c->SetLeft(left);
    c->SetTop(top);
    c->SetParent(form_);
    c->SetKind(kind);
    c->LayoutChanged();
    Pump();
    return c;
  }
  static POINT Center(const TRect& r) { return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  // The cell of a date shown by the calendar.
  static POINT CellOf(TcxCustomCalendar* c, TDateTime d) {
    for (Integer r = 0; r < 6; ++r)
      for (Integer col = 0; col < 7; ++col)
        if (CalendarCellDate(c->FirstDate(), col, r) == d) return Center(c->DayCellRect(col, r));
    ADD_FAILURE() << "date not shown";
    return POINT{0, 0};
  }

  TForm* form_ = nullptr;
};

TEST_F(CalendarTest, DayCellsHitTheirDatesAndOutsidePointsNone) {
  auto* c = MakeCalendar<TcxCustomCalendar>(ckDate);
  c->SetWeekNumbers(true);
  for (Integer r = 0; r < 6; ++r)
    for (Integer col = 0; col < 7; ++col) {
      const POINT p = Center(c->DayCellRect(col, r));
      EXPECT_EQ(c->DateAtPoint(TPoint(p.X, p.Y)), CalendarCellDate(c->FirstDate(), col, r));
    }
  const POINT header = Center(c->HeaderRect());
  EXPECT_EQ(c->DateAtPoint(TPoint(header.X, header.Y)), NoDateValue);
  EXPECT_EQ(c->DateAtPoint(TPoint(-1, -1)), NoDateValue);
  // Dates outside the supported years are refused.
  const TDateTime selected = c->SelectDate();
  c->SetSelectDate(EncodeDate(9999, 12, 31) + 1);
  EXPECT_EQ(c->SelectDate(), selected);
  c->SetFirstDate(EncodeDate(100, 1, 1));
  c->ScrollMonth(2);
  EXPECT_EQ(c->FirstDate(), EncodeDate(100, 1, 1));
  c->ScrollMonth(0);
  EXPECT_EQ(c->FirstDate(), EncodeDate(100, 1, 1));
}

TEST_F(CalendarTest, HoldingAnArrowScrollsAtOnceThenEvery200Ms) {
  auto* c = MakeCalendar<TcxCustomCalendar>(ckDate);
  const TDateTime start = c->FirstDate();
  const POINT next = Center(c->ArrowRect(1));
  S().MouseDown(c->Handle(), next);
  EXPECT_EQ(c->FirstDate(), EncodeDate(2024, 4, 1));
  Advance(199);
  EXPECT_EQ(c->FirstDate(), EncodeDate(2024, 4, 1));
  Advance(1);
  EXPECT_EQ(c->FirstDate(), EncodeDate(2024, 5, 1));
  Advance(400);
  EXPECT_EQ(c->FirstDate(), EncodeDate(2024, 7, 1));
  S().MouseUp(c->Handle(), next);
  Advance(1000);
  EXPECT_EQ(c->FirstDate(), EncodeDate(2024, 7, 1));
  // The year arrows.
  S().Click(c->Handle(), Center(c->ArrowRect(2)));
  EXPECT_EQ(c->FirstDate(), EncodeDate(2023, 7, 1));
  S().Click(c->Handle(), Center(c->ArrowRect(0)));
  EXPECT_EQ(c->FirstDate(), EncodeDate(2023, 6, 1));
  EXPECT_NE(start, c->FirstDate());
}

TEST_F(CalendarTest, MonthListWithYearsScrollsFasterFartherAway) {
  auto* c = MakeCalendar<TcxCustomCalendar>(ckDate);
  S().MouseDown(c->Handle(), Center(c->MonthTextRect()));
  TMonthListBox* list = c->MonthList();
  ASSERT_TRUE(list->Visible());
  EXPECT_EQ(list->ItemCount(), 7);
  Integer y = 0, m = 0;
  list->ItemMonth(3, y, m);
  EXPECT_EQ(y * 100 + m, 202403);  // the shown month in the middle
  // Below the list, farther away means shorter intervals.
  const Integer h = list->ClientHeight(), ih = list->ItemHeight();
  const std::pair<Integer, Cardinal> distances[] = {{1, 500}, {ih + 1, 250}, {2 * ih + 1, 100}, {10 * ih, 50}};
  for (const auto& [d, interval] : distances) {
    S().MoveMouse(list->Handle(), POINT{10, h - 1 + d});
    EXPECT_TRUE(list->Timer()->Enabled());
    EXPECT_EQ(list->Timer()->Interval(), interval) << d;
  }
  const Integer top = list->TopIndex();
  Advance(50);
  EXPECT_GT(list->TopIndex(), top);
  // Back over an item, then the release picks it.
  S().MoveMouse(list->Handle(), POINT{10, 1 + ih / 2});
  EXPECT_FALSE(list->Timer()->Enabled());
  list->ItemMonth(0, y, m);
  S().MouseUp(list->Handle(), POINT{10, 1 + ih / 2});
  EXPECT_FALSE(list->Visible());
  EXPECT_EQ(c->FirstDate(), EncodeDate(Word(y), Word(m), 1));
}

TEST_F(CalendarTest, MonthListWithoutYearsListsTheShownYear) {
  auto* c = MakeCalendar<TcxCustomCalendar>(ckDate);
  c->SetYearsInMonthList(false);
  S().Click(c->Handle(), Center(c->MonthTextRect()));
  TMonthListBox* list = c->MonthList();
  ASSERT_TRUE(list->Visible());
  EXPECT_EQ(list->ItemCount(), 12);
  Integer y = 0, m = 0;
  list->ItemMonth(0, y, m);
  EXPECT_EQ(y * 100 + m, 202401);
  list->ItemMonth(11, y, m);
  EXPECT_EQ(y * 100 + m, 202412);
  const POINT july{10, 1 + 6 * list->ItemHeight() + list->ItemHeight() / 2};
  S().MoveMouse(list->Handle(), july);
  S().Click(list->Handle(), july);
  EXPECT_FALSE(list->Visible());
  EXPECT_EQ(c->FirstDate(), EncodeDate(2024, 7, 1));
}

TEST_F(CalendarTest, PopupCalendarKeysAndClicksCloseWithTheirReasons) {
  auto* c = MakeCalendar<TcxPopupCalendar>(ckDate);
  std::vector<Integer> reasons;
  Integer accepted = 0;
  c->OnHidePopup = [&](TObject*, Integer reason) { reasons.push_back(reason); };
  c->OnDateTimeChanged = [&](TObject*) { ++accepted; };
  c->SetFocus();
  Pump();
  // ckDate: a click on a day selects it, closes (Enter reason) and accepts.
  const TDateTime pick = EncodeDate(2024, 3, 20);
  S().Click(c->Handle(), CellOf(c, pick));
  EXPECT_EQ(c->SelectDate(), pick);
  EXPECT_EQ(reasons, (std::vector<Integer>{4}));
  EXPECT_EQ(accepted, 1);
  reasons.clear();
  S().PressKey(VK_RIGHT);
  EXPECT_EQ(c->SelectDate(), pick + 1);
  S().PressKey(VK_RETURN);
  EXPECT_EQ(reasons, (std::vector<Integer>{4}));
  EXPECT_EQ(accepted, 2);
  reasons.clear();
  S().PressKey(VK_F4);
  S().PressKey(VK_DOWN, false, false, true);
  EXPECT_EQ(reasons, (std::vector<Integer>{2, 2}));
  reasons.clear();
  // Escape closes only a month list without years; with years it closes the popup.
  c->SetYearsInMonthList(false);
  S().Click(c->Handle(), Center(c->MonthTextRect()));
  ASSERT_TRUE(c->MonthList()->Visible());
  S().PressKey(VK_ESCAPE);
  EXPECT_FALSE(c->MonthList()->Visible());
  EXPECT_TRUE(reasons.empty());
  c->SetYearsInMonthList(true);
  S().MouseDown(c->Handle(), Center(c->MonthTextRect()));
  ASSERT_TRUE(c->MonthList()->Visible());
  S().PressKey(VK_ESCAPE);
  EXPECT_EQ(reasons, (std::vector<Integer>{3}));
  EXPECT_FALSE(c->MonthList()->Visible());
  ReleaseCapture();
}

TEST_F(CalendarTest, DateTimeKindAcceptsOnlyByOkEnterOrDoubleClick) {
  auto* c = MakeCalendar<TcxPopupCalendar>(ckDateTime);
  std::vector<Integer> reasons;
  Integer accepted = 0;
  c->OnHidePopup = [&](TObject*, Integer reason) { reasons.push_back(reason); };
  c->OnDateTimeChanged = [&](TObject*) { ++accepted; };
  ASSERT_TRUE(c->Button(btnOk)->Visible());
  ASSERT_TRUE(c->TimeEdit()->Visible());
  ASSERT_TRUE(c->Clock()->Visible());
  const TDateTime pick = EncodeDate(2024, 3, 21);
  S().Click(c->Handle(), CellOf(c, pick));
  EXPECT_EQ(c->SelectDate(), pick);
  EXPECT_EQ(accepted, 0);
  EXPECT_TRUE(reasons.empty());
  c->TimeEdit()->SetTime(0.75);
  c->Clock()->SetTime(0.75);
  S().Click(c->Button(btnOk)->Handle(), POINT{5, 5});
  EXPECT_EQ(accepted, 1);
  EXPECT_EQ(reasons, (std::vector<Integer>{4}));
  EXPECT_DOUBLE_EQ(c->SelectDate(), pick + 0.75);
  S().DoubleClick(c->Handle(), CellOf(c, pick + 1));
  EXPECT_EQ(accepted, 2);
  EXPECT_EQ(std::trunc(c->SelectDate()), pick + 1);
}

TEST_F(CalendarTest, ClockHandsBySampledPixels) {
  auto* clock = new TcxClock(form_);
  clock->SetBounds(10, 10, 101, 101);
  clock->SetParent(form_);
  Pump();
  auto teal_at = [&](Integer x, Integer y) {
    HDC dc = GetDC(clock->Handle());
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(clock->Handle(), dc);
    return c == ColorToRGB(clTeal);
  };
  struct Case {
    double Time;
    POINT Teal[2];     // on the hands
    POINT NotTeal[2];  // where no hand is
  };
  const Case cases[] = {
      // 0:00: both hands up.
      // (The second hand's red line runs up the middle at 0 seconds.)
      {0, {{48, 40}, {52, 44}}, {{80, 50}, {50, 80}}},
      // 3:00: the hour hand right, the minute hand up.
      {0.125, {{70, 50}, {48, 40}}, {{50, 85}, {20, 50}}},
      // 6:30: both hands down.
      {6.5 / 24, {{50, 80}, {50, 70}}, {{50, 20}, {80, 50}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Time);
    clock->SetTime(c.Time + 3);  // a date part is ignored
    clock->Update();
    Pump();
    for (const POINT& p : c.Teal) EXPECT_TRUE(teal_at(p.X, p.Y)) << p.X << "," << p.Y;
    for (const POINT& p : c.NotTeal) EXPECT_FALSE(teal_at(p.X, p.Y)) << p.X << "," << p.Y;
  }
  Pump();
  const Integer paints = clock->PaintCount();
  clock->SetTime(6.5 / 24 + 3);
  Pump();
  EXPECT_EQ(clock->PaintCount(), paints);
  S().Snapshot(form_->Handle(), "calendar_clock.png", true);
}

TEST_F(CalendarTest, SheetsOfBothKindsInEachLookAndFeel) {
  const TcxLookAndFeelKind kinds[] = {lfStandard, lfFlat, lfUltraFlat, lfOffice11};
  for (TcxCalendarKind kind : {ckDate, ckDateTime}) {
    form_->SetBounds(20, 20, kind == ckDate ? 860 : 1200, 520);
    Integer left = 10;
    std::vector<TcxCustomCalendar*> made;
    for (Integer i = 0; i < 4; ++i) {
      auto* c = new TcxCustomCalendar(form_);
      for (TCalendarButton b : {btnClear, btnNow, btnToday, btnOk}) c->Button(b)->LookAndFeel()->SetKind(kinds[i]);
      c->SetLeft(left);
      c->SetTop(10);
      c->SetParent(form_);
      c->SetKind(kind);
      c->SetFlat(kinds[i] != lfStandard);
      c->SetWeekNumbers(i % 2 == 1);
      if (kind == ckDateTime) c->SetButtonSet(TDateButtons{btnClear, btnNow});
      c->SetSelectDate(EncodeDate(2024, 3, 20));
      c->LayoutChanged();
      made.push_back(c);
      left += c->Width() + 10;
    }
    Pump();
    S().Snapshot(form_->Handle(), kind == ckDate ? "calendar_date.png" : "calendar_datetime.png", true);
    for (auto* c : made) c->Free();
  }
}

}  // namespace
