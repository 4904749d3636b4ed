// Date utilities: month arithmetic, week numbers, smart date words, conversions between dates
// and text, and the value checks.
#include "editors/cxDateUtils.h"

#include "tests/editors/EditorsTestSupport.h"
#include "rtl/DateUtils.h"

using editors_test::TFixedClock;
using editors_test::TLocaleFixture;

namespace {

class DateUtilsTest : public TLocaleFixture {};

TEST_F(DateUtilsTest, MonthArithmetic) {
  struct Case {
    Integer year, month, delta, year2, month2;
  } cases[] = {
      {2024, 1, -1, 2023, 12}, {2024, 1, 13, 2025, 2}, {2024, 12, 1, 2025, 1},
      {2024, 5, -17, 2022, 12}, {2024, 5, 0, 2024, 5}, {2024, 3, -14, 2023, 1},
  };
  for (const auto& c : cases) {
    Integer y = c.year, m = c.month;
    MoveMonths(y, m, c.delta);
    EXPECT_EQ(y, c.year2) << c.delta;
    EXPECT_EQ(m, c.month2) << c.delta;
  }
  Integer y = 2024, m = 1;
  MonthBack(y, m);
  EXPECT_EQ(y * 100 + m, 202312);
  MonthForward(y, m);
  EXPECT_EQ(y * 100 + m, 202401);
  EXPECT_EQ(MonthLength(2024, 2), 29);
  EXPECT_EQ(MonthLength(1900, 2), 28);
  EXPECT_EQ(MonthLength(2000, 2), 29);
  EXPECT_EQ(ClampDay(2023, 2, 31), 28);
  EXPECT_EQ(ClampDay(2023, 2, -3), 1);
  const TDateTime d = EncodeDate(2024, 2, 14) + 0.25;
  EXPECT_EQ(DatePart(0, d), 2024);
  EXPECT_EQ(DatePart(1, d), 2);
  EXPECT_EQ(DatePart(2, d), 14);
  EXPECT_DOUBLE_EQ(TimeFractionOf(d), 0.25);
  EXPECT_DOUBLE_EQ(WholeDaysOf(d), EncodeDate(2024, 2, 14));
}

TEST_F(DateUtilsTest, WeekNumbersByRule) {
  // FirstDay 0 = Sunday ... 6 = Saturday.
  struct Case {
    Word y, m, d;
    Integer first_day, rule, week;
  } cases[] = {
      // Rule 1: the week holding 1 January; a December week reaching into January is week 1.
      {2024, 1, 1, 0, 1, 1},   {2024, 1, 7, 0, 1, 2},    {2024, 12, 31, 0, 1, 1},
      {2022, 12, 31, 0, 1, 53},
      // Rule 2: the first full week; days before it are the previous year's last week.
      {2023, 1, 1, 0, 2, 1},   {2022, 1, 1, 0, 2, 52},   {2022, 1, 2, 0, 2, 1},
      {2021, 1, 2, 0, 2, 52},
      // Rule 3: at least four days (with Monday first, the ISO weeks).
      {2021, 1, 1, 1, 3, 53},  {2021, 1, 4, 1, 3, 1},    {2024, 12, 30, 1, 3, 1},
      {2020, 12, 31, 1, 3, 53},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WeekNumber(c.first_day, c.rule, EncodeDate(c.y, c.m, c.d)), c.week)
        << c.y << "-" << c.m << "-" << c.d << " rule " << c.rule;
  // Rule 3 with Monday first agrees with the ISO weeks on every day of ten years.
  for (TDateTime d = EncodeDate(2015, 1, 1); d < EncodeDate(2025, 1, 1); d += 1)
    ASSERT_EQ(WeekNumber(1, 3, d), Integer(WeekOf(d))) << DateToStr(d);
  // Rule 0 takes the locale's first week (2 = four days).
  FormatSettings.FirstWeekOfYear = 2;
  EXPECT_EQ(WeekNumber(1, 0, EncodeDate(2021, 1, 1)), 53);
  EXPECT_EQ(WeekNumber(1, 0, NoDateValue * 100), 0);
}

TEST_F(DateUtilsTest, SmartWords) {
  TFixedClock clock(EncodeDate(2024, 2, 14) + 0.75);  // a Wednesday in a leap year
  FormatSettings.FirstDayOfWeek = 0;                  // Monday
  Apply();
  const TDateTime today = EncodeDate(2024, 2, 14);
  struct Case {
    const char* text;
    TDateTime expected;
  } cases[] = {
      {"today", today},           {"TODAY", today},
      {"todayish", today},        {"today+10", today + 10},
      {" today +10 ", today + 10}, {"today+", today},
      {"today+x", today},         {"yesterday", today - 1},
      {"tomorrow-2", today - 1},  {"tomorrow - 3", today - 2},
      {"eom", EncodeDate(2024, 2, 29)}, {"bom", EncodeDate(2024, 2, 1)},
      {"Wednesday", today},       {"sunday", EncodeDate(2024, 2, 18)},
      {"Tuesday", EncodeDate(2024, 2, 20)},
      {"first", EncodeDate(2024, 2, 12)}, {"seventh", EncodeDate(2024, 2, 18)},
      {"now", today + 0.75},
  };
  for (const auto& c : cases) {
    TDateTime d = 0;
    ASSERT_TRUE(ParseDateWordInput(c.text, d)) << c.text;
    EXPECT_DOUBLE_EQ(d, c.expected) << c.text;
  }
  TDateTime d = 1;
  EXPECT_FALSE(ParseDateWordInput("tod", d));
  EXPECT_FALSE(ParseDateWordInput("", d));
  // A typed weekday on that weekday is today; on the next day, six days later.
  clock.Clock().SetNow(EncodeDate(2024, 2, 18));
  ASSERT_TRUE(ParseDateWordInput("Sunday", d));
  EXPECT_DOUBLE_EQ(d, EncodeDate(2024, 2, 18));
  clock.Clock().SetNow(EncodeDate(2024, 2, 19));
  ASSERT_TRUE(ParseDateWordInput("Sunday", d));
  EXPECT_DOUBLE_EQ(d, EncodeDate(2024, 2, 25));
}

TEST_F(DateUtilsTest, ParseDateInputAcceptsDatesAndRefusesTheRest) {
  TFixedClock clock(EncodeDate(2024, 2, 14) + 0.5);
  struct Case {
    const char* text;
    bool ok;
    TDateTime expected;
  } cases[] = {
      {"2/14/2024", true, EncodeDate(2024, 2, 14)},
      {" 12/31/9999 ", true, EncodeDate(9999, 12, 31)},
      {"2/14/2024 6:00 PM", true, EncodeDate(2024, 2, 14) + 0.75},
      {"2 14 2024", true, EncodeDate(2024, 2, 14)},
      {"today+1", true, EncodeDate(2024, 2, 15)},
      {"1/1/10000", false, NoDateValue},
      {"12/31/99999", false, NoDateValue},
      {"today+2000000000", false, NoDateValue},
      {"today-2000000000", false, NoDateValue},
      {"10:30", false, NoDateValue},  // a time alone is no date
      {"", false, NoDateValue},
      {"   ", false, NoDateValue},
      {"garbage", false, NoDateValue},
      {"13/45/2024", false, NoDateValue},
      {"99999999999999999999", false, NoDateValue},
      {"1e308", false, NoDateValue},
  };
  for (const auto& c : cases) {
    TDateTime d = 123;
    EXPECT_EQ(ParseDateInput(c.text, d), c.ok) << c.text;
    EXPECT_DOUBLE_EQ(d, c.expected) << c.text;
  }
}

TEST_F(DateUtilsTest, LiteralsOfTheFormatAreIgnoredWhenParsing) {
  TFixedClock clock(EncodeDate(2024, 2, 14));
  FormatSettings.ShortDateFormat = "yyyy'年'M'月'd'日'";
  FormatSettings.DateSeparator = '/';
  Apply();
  String text = "2024年2月14日";
  PrepareDateText(text, true);
  EXPECT_EQ(text, "2024 2 14");
  TDateTime d = 0;
  ASSERT_TRUE(ParseDateInput("2024年2月14日", d));
  EXPECT_DOUBLE_EQ(d, EncodeDate(2024, 2, 14));
  ASSERT_TRUE(ConvertDateText("2024年2月14日", true, d));
  EXPECT_DOUBLE_EQ(d, EncodeDate(2024, 2, 14));
  EXPECT_FALSE(ConvertDateText("someday", false, d));
  EXPECT_DOUBLE_EQ(d, NoDateValue);
}

TEST_F(DateUtilsTest, DatesToText) {
  const TDateTime d = EncodeDate(2024, 2, 4);
  String text = "x";
  FormatDateForEdit(true, false, false, text, NoDateValue);
  EXPECT_EQ(text, "");
  FormatDateLocale(false, text, NoDateValue);
  EXPECT_EQ(text, "");
  FormatDateForEdit(true, false, false, text, d + 0.5);
  EXPECT_EQ(text, "02/04/2024");
  FormatDateForEdit(true, true, false, text, d + 0.5);
  EXPECT_EQ(text, "02/04/2024 12:00:00 PM");
  FormatDateForEdit(false, false, false, text, d);
  EXPECT_EQ(text, "2/4/2024");
  FormatDateLocale(false, text, d + 0.25);
  EXPECT_EQ(text, "2/4/2024 6:00:00 AM");
  FormatSettings.ShortDateFormat = "d.M.yy";
  FormatSettings.DateSeparator = '.';
  Apply();
  FormatDateLocale(false, text, d);
  EXPECT_EQ(text, "4.2.24");
  FormatDateLocale(true, text, d);
  EXPECT_EQ(text, "4.2.2024");
  // Dates beyond the encodable range give their number, never an exception.
  EXPECT_NO_THROW(FormatDateLocale(false, text, 1e12));
  EXPECT_NO_THROW(FormatDateForEdit(true, true, false, text, 1e12));
  EXPECT_EQ(text, "");
}

TEST_F(DateUtilsTest, ValueChecks) {
  EXPECT_TRUE(IsNoDateValue(VarFromDateTime(NoDateValue)));
  EXPECT_TRUE(IsNoDateValue(Variant(-700000)));
  EXPECT_FALSE(IsNoDateValue(Variant("-700000")));
  EXPECT_FALSE(IsNoDateValue(Variant(0.0)));
  EXPECT_TRUE(IsNullOrEmptyVariant(Variant()));
  EXPECT_TRUE(IsNullOrEmptyVariant(Null()));
  EXPECT_FALSE(IsNullOrEmptyVariant(Variant("")));
  const struct { const char* text; bool integer, floating; } cases[] = {
      {"12", true, true},     {" -12 ", true, true},  {"$1F", true, false},
      {"1.5", false, true},   {"-1.5", false, true},  {"1.2.3", false, false},
      {"-", false, false},    {"", false, false},     {"1e5", false, false},
      {"--1", false, false},  {"1-", false, false},   {"99999999999", false, true},
      {".5", false, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsIntegerText(c.text), c.integer) << c.text;
    EXPECT_EQ(IsFloatText(c.text), c.floating) << c.text;
  }
}

}  // namespace
