// Date encoding and decoding, FormatDateTime, parsing and the date arithmetic of DateUtils.
#include <gtest/gtest.h>

#include "rtl/Clock.h"
#include "rtl/DateUtils.h"
#include "rtl/SysUtils.h"

namespace {

String Iso(TDateTime v) { return FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", v, TFormatSettings::EnglishUS()); }

// Pins the program's clock to a moment for one test.
class FixedClock {
 public:
  explicit FixedClock(TDateTime now) : clock_(now) { SetClock(&clock_); }
  ~FixedClock() { SetClock(nullptr); }

 private:
  TManualClock clock_;
};

TEST(DateEncoding, KnownDays) {
  const struct {
    Word y, m, d;
    double value;
    Word dow;  // 1 = Sunday
  } cases[] = {
      {1899, 12, 30, 0, 7},   {1899, 12, 29, -1, 6},     {1900, 1, 1, 2, 2},
      {1, 1, 1, -693593, 2},  {9999, 12, 31, 2958465, 6}, {2000, 2, 29, 36585, 3},
      {2024, 2, 9, 45331, 6}, {1600, 3, 1, -109511, 4},   {1970, 1, 1, 25569, 5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.value) << c.y << "-" << c.m << "-" << c.d;
    Word y, m, d;
    DecodeDate(c.value, y, m, d);
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(m, c.m);
    EXPECT_EQ(d, c.d);
    EXPECT_EQ(DayOfWeek(c.value), c.dow) << c.value;
  }
}

TEST(DateEncoding, LeapYearsAndMonthLengths) {
  const struct {
    Word year;
    bool leap;
  } years[] = {{1900, false}, {2000, true}, {2023, false}, {2024, true}, {2100, false}, {1600, true}};
  for (const auto& c : years) {
    EXPECT_EQ(IsLeapYear(c.year), c.leap) << c.year;
    EXPECT_EQ(MonthDays[IsLeapYear(c.year)][2], c.leap ? 29 : 28);
    TDateTime d;
    EXPECT_EQ(TryEncodeDate(c.year, 2, 29, d), c.leap) << c.year;
  }
}

TEST(DateEncoding, InvalidPartsRaise) {
  const Word bad_dates[][3] = {{0, 1, 1}, {10000, 1, 1}, {2024, 0, 1}, {2024, 13, 1},
                               {2024, 1, 0}, {2024, 4, 31}, {2023, 2, 29}};
  for (const auto& b : bad_dates) {
    TDateTime d = 123;
    EXPECT_FALSE(TryEncodeDate(b[0], b[1], b[2], d));
    EXPECT_EQ(d, 123);
    try {
      EncodeDate(b[0], b[1], b[2]);
      ADD_FAILURE() << b[0] << "-" << b[1] << "-" << b[2];
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "Invalid argument to date encode");
    }
  }
  const Word bad_times[][4] = {{24, 0, 0, 1}, {25, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}};
  for (const auto& b : bad_times) EXPECT_THROW(EncodeTime(b[0], b[1], b[2], b[3]), EConvertError);
  EXPECT_EQ(EncodeTime(24, 0, 0, 0), 1.0);
}

TEST(DateEncoding, TimesAndNegativeDates) {
  const struct {
    double value;
    const char* iso;
  } cases[] = {
      {0, "1899-12-30 00:00:00.000"},
      {0.5, "1899-12-30 12:00:00.000"},
      {-0.5, "1899-12-30 12:00:00.000"},  // before day 0 the fraction still adds time
      {-1.25, "1899-12-29 06:00:00.000"},
      {-2.75, "1899-12-28 18:00:00.000"},
      {45331.75, "2024-02-09 18:00:00.000"},
      {45331 + 0.99999999, "2024-02-09 23:59:59.999"},
      {45331 + 0.999999999999, "2024-02-10 00:00:00.000"},  // rounds to the next day as a whole
      {EncodeTime(15, 4, 5, 7), "1899-12-30 15:04:05.007"},
  };
  for (const auto& c : cases) EXPECT_EQ(Iso(c.value), c.iso) << c.value;
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
  EXPECT_EQ(EncodeDateTime(2024, 2, 9, 24, 0, 0, 0), EncodeDate(2024, 2, 10));
  EXPECT_EQ(ReplaceTime(EncodeDate(1899, 12, 28), 0.75), -2.75);
  EXPECT_EQ(ReplaceDate(45331.75, -1), -1.75);
  Word h, n, s, ms;
  DecodeTime(-1.25, h, n, s, ms);
  EXPECT_EQ(h, 6);
}

TEST(IncMonth, ClampsTheDayAndKeepsTheTime) {
  const struct {
    TDateTime from;
    int months;
    TDateTime expected;
  } cases[] = {
      {EncodeDate(2024, 1, 31), 1, EncodeDate(2024, 2, 29)},
      {EncodeDate(2023, 1, 31), 1, EncodeDate(2023, 2, 28)},
      {EncodeDate(2024, 3, 31), -13, EncodeDate(2023, 2, 28)},
      {EncodeDate(2024, 12, 15), 1, EncodeDate(2025, 1, 15)},
      {EncodeDate(2024, 1, 15), -1, EncodeDate(2023, 12, 15)},
      {EncodeDate(2024, 1, 15) + 0.25, 24, EncodeDate(2026, 1, 15) + 0.25},
      {EncodeDate(1900, 1, 10) + 0.25, -1, EncodeDateTime(1899, 12, 10, 6, 0, 0, 0)},
  };
  for (const auto& c : cases) EXPECT_EQ(Iso(IncMonth(c.from, c.months)), Iso(c.expected)) << Iso(c.from);
  EXPECT_EQ(IncYear(EncodeDate(2024, 2, 29)), EncodeDate(2025, 2, 28));
  EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), EConvertError);
}

TEST(FormatDateTime, Patterns) {
  const TDateTime v = EncodeDate(2024, 2, 9) + EncodeTime(15, 4, 5, 7);
  const struct {
    const char* pattern;
    TDateTime value;
    const char* expected;
  } cases[] = {
      {"c", v, "2/9/2024 3:04:05 PM"},
      {"c", EncodeDate(2024, 2, 9), "2/9/2024"},
      {"c", 0.5, "12/30/1899 12:00:00 PM"},
      {"", v, "2/9/2024 3:04:05 PM"},
      {"d dd ddd dddd", v, "9 09 Fri Friday"},
      {"ddddd", v, "2/9/2024"},
      {"dddddd", v, "Friday, February 9, 2024"},
      {"m mm mmm mmmm", v, "2 02 Feb February"},
      {"Mmm MMMM", v, "Feb February"},
      {"yy yyyy y yyy", v, "24 2024 24 2024"},
      {"e ee g gg", EncodeDate(5, 3, 1), "5 05 AD AD"},
      {"h hh n nn s ss z zzz", v, "15 15 4 04 5 05 7 007"},
      // "m" right after "h" is the minute; elsewhere the month.
      {"h:m", v, "15:4"},
      {"hh:mm:ss", v, "15:04:05"},
      {"hh:nn mm", v, "15:04 02"},
      {"mm:ss", v, "02:05"},
      {"t", v, "3:04 PM"},
      {"tt", v, "3:04:05 PM"},
      // AM/PM markers switch "h" to the 12-hour clock; "am/pm" and "a/p" keep their case.
      {"h am/pm", v, "3 pm"},
      {"h AM/PM", v, "3 PM"},
      {"h Am/Pm", EncodeTime(9, 0, 0, 0), "9 Am"},
      {"h a/p", v, "3 p"},
      {"h A/P", EncodeTime(9, 0, 0, 0), "9 A"},
      {"h ampm", v, "3 PM"},
      {"hh AMPM", EncodeTime(0, 0, 0, 0), "12 AM"},
      {"h am/pm", EncodeTime(12, 30, 0, 0), "12 pm"},
      // Separators come from the settings; quoted text is copied.
      {"yyyy/mm/dd", v, "2024/02/09"},
      {"\"lit\" 'x' yyyy", v, "lit x 2024"},
      {"'h:m' h", v, "h:m 15"},
      {"d-m-yy", v, "9-2-24"},
      {"x b q", v, "x b q"},
      {"yyyy\u5e74m\u6708d\u65e5", v, "2024\u5e742\u67089\u65e5"},
      // Day 0 and the ends of the range.
      {"yyyy-mm-dd", 0, "1899-12-30"},
      {"yyyy-mm-dd", -693593, "0001-01-01"},
      {"yyyy-mm-dd", 2958465, "9999-12-31"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatDateTime(c.pattern, c.value, TFormatSettings::EnglishUS()), c.expected) << c.pattern;
}

TEST(FormatDateTime, FollowsTheSettings) {
  TFormatSettings f = TFormatSettings::EnglishUS();
  f.DateSeparator = '.';
  f.TimeSeparator = '-';
  f.ShortDateFormat = "dd/mm/yyyy";
  f.LongTimeFormat = "hh:nn:ss";
  f.ShortMonthNames[1] = "Fev";
  const TDateTime v = EncodeDate(2024, 2, 9) + EncodeTime(15, 4, 5, 0);
  EXPECT_EQ(FormatDateTime("c", v, f), "09.02.2024 15-04-05");
  EXPECT_EQ(FormatDateTime("mmm", v, f), "Fev");
  EXPECT_EQ(DateToStr(v, f), "09.02.2024");
  EXPECT_EQ(TimeToStr(v, f), "15-04-05");
  EXPECT_EQ(DateTimeToStr(v, f), "09.02.2024 15-04-05");
  // A format that names itself does not recurse forever.
  f.ShortDateFormat = "ddddd";
  EXPECT_NO_THROW(FormatDateTime("c", v, f));
  // The default overloads use the global settings (English in tests).
  EXPECT_EQ(DateToStr(v), "2/9/2024");
}

TEST(StrToDate, ReadsTheShortDateOrder) {
  FixedClock clock(EncodeDate(2026, 12, 10) + 0.5);
  TFormatSettings dmy = TFormatSettings::EnglishUS();
  dmy.ShortDateFormat = "dd.mm.yyyy";
  dmy.DateSeparator = '.';
  TFormatSettings ymd = TFormatSettings::EnglishUS();
  ymd.ShortDateFormat = "yyyy/MM/dd";
  const struct {
    const TFormatSettings* settings;
    const char* text;
    const char* iso;  // nullptr: invalid
  } cases[] = {
      {nullptr, "2/9/2024", "2024-02-09"},
      {nullptr, " 2 / 9 / 2024 ", "2024-02-09"},
      {nullptr, "02/09/2024", "2024-02-09"},
      {nullptr, "2/29/2024", "2024-02-29"},
      {nullptr, "2/9", "2026-02-09"},
      {nullptr, "9", "2026-12-09"},
      // Two-digit years: the window of 50 years before the current year (1976..2075).
      {nullptr, "2/9/24", "2024-02-09"},
      {nullptr, "2/9/75", "2075-02-09"},
      {nullptr, "2/9/76", "1976-02-09"},
      {nullptr, "2/9/00", "2000-02-09"},
      {nullptr, "2/9/0100", "0100-02-09"},
      {&dmy, "9.2.2024", "2024-02-09"},
      {&dmy, "9.2", "2026-02-09"},
      {&ymd, "2024/2/9", "2024-02-09"},
      {&ymd, "2/9", "2026-02-09"},
      {nullptr, "2-9-2024", nullptr},
      {nullptr, "2 9 2024", nullptr},
      {nullptr, "13/1/2024", nullptr},
      {nullptr, "2/30/2024", nullptr},
      {nullptr, "2/29/2023", nullptr},
      {nullptr, "2/9/2024 10:00", nullptr},
      {nullptr, "2//9", nullptr},
      {nullptr, "2/9/", nullptr},
      {nullptr, "2/9/2024/1", nullptr},
      {nullptr, "2/9/99999", nullptr},
      {nullptr, "abc", nullptr},
      {nullptr, "", nullptr},
      {&dmy, "2/9/2024", nullptr},
  };
  for (const auto& c : cases) {
    const TFormatSettings& f = c.settings ? *c.settings : TFormatSettings::EnglishUS();
    TDateTime v = -42;
    bool ok = TryStrToDate(c.text, v, f);
    if (c.iso == nullptr) {
      EXPECT_FALSE(ok) << c.text;
      EXPECT_EQ(v, -42) << c.text;
      EXPECT_EQ(StrToDateDef(c.text, 7, f), 7) << c.text;
    } else {
      EXPECT_TRUE(ok) << c.text;
      EXPECT_EQ(FormatDateTime("yyyy-mm-dd", v, TFormatSettings::EnglishUS()), c.iso) << c.text;
    }
  }
}

TEST(StrToTime, HoursMinutesSecondsAndMarkers) {
  const struct {
    const char* text;
    const char* time;  // nullptr: invalid
  } cases[] = {
      {"10:30", "10:30:00.000"},  {"10:30:15", "10:30:15.000"}, {"10:30:15.250", "10:30:15.250"},
      {"10:30:15.5", "10:30:15.500"}, {"10", "10:00:00.000"},    {"10 PM", "22:00:00.000"},
      {"10:30 pm", "22:30:00.000"}, {"10:30PM", "22:30:00.000"},  {"12:00 AM", "00:00:00.000"},
      {"12:00 PM", "12:00:00.000"}, {"PM 3:15", "15:15:00.000"},   {"23:59:59.999", "23:59:59.999"},
      {"24:00", nullptr},           {"25:00", nullptr},            {"10:60", nullptr},
      {"13:00 PM", nullptr},        {"0:30 AM", nullptr},          {"10.30", nullptr},
      {"10:30 XM", nullptr},        {"abc", nullptr},              {"", nullptr},
      {"1:2:3:4", nullptr},
  };
  for (const auto& c : cases) {
    TDateTime v = -42;
    bool ok = TryStrToTime(c.text, v, TFormatSettings::EnglishUS());
    if (c.time == nullptr) {
      EXPECT_FALSE(ok) << c.text;
    } else {
      ASSERT_TRUE(ok) << c.text;
      EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", v, TFormatSettings::EnglishUS()), c.time) << c.text;
      EXPECT_LT(v, 1.0);
    }
  }
  TFormatSettings ja = TFormatSettings::EnglishUS();
  ja.TimeAMString = "\u5348\u524d";
  ja.TimePMString = "\u5348\u5f8c";
  EXPECT_EQ(FormatDateTime("hh:nn", StrToTime("\u5348\u5f8c 3:15", ja), TFormatSettings::EnglishUS()), "15:15");
}

TEST(StrToDateTime, DateTimeOrBoth) {
  const struct {
    const char* text;
    const char* iso;
  } cases[] = {
      {"2/9/2024 10:30", "2024-02-09 10:30:00.000"},
      {"2/9/2024  10:30:15 PM", "2024-02-09 22:30:15.000"},
      {"2/9/2024", "2024-02-09 00:00:00.000"},
      {"10:30", "1899-12-30 10:30:00.000"},
      {"12/29/1899 6:00", "1899-12-29 06:00:00.000"},
      {"x 10:30", nullptr},
      {"2/9/2024 x", nullptr},
      {"2/9/2024 25:00", nullptr},
  };
  for (const auto& c : cases) {
    TDateTime v;
    bool ok = TryStrToDateTime(c.text, v, TFormatSettings::EnglishUS());
    EXPECT_EQ(ok, c.iso != nullptr) << c.text;
    if (ok && c.iso) { EXPECT_EQ(Iso(v), c.iso) << c.text; }
  }
}

TEST(DateParsing, ErrorsNameTheText) {
  const struct {
    TDateTime (*parse)(const String&, const TFormatSettings&);
    const char* message;
  } cases[] = {
      {&StrToDate, "'31/31/2024' is not a valid date"},
      {&StrToTime, "'31/31/2024' is not a valid time"},
      {&StrToDateTime, "'31/31/2024' is not a valid date and time"},
  };
  for (const auto& c : cases) {
    try {
      c.parse("31/31/2024", TFormatSettings::EnglishUS());
      ADD_FAILURE() << c.message;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(DateParsing, RoundTripsThroughTheLocaleFormats) {
  for (const char* locale : {"en_US", "de_DE", "ja_JP", "en_GB", "fr_FR", "ar_EG", "ru_RU", "es_ES"}) {
    TFormatSettings f = TFormatSettings::FromLocale(locale);
    for (TDateTime v : {EncodeDate(2024, 2, 9) + EncodeTime(15, 4, 5, 0), EncodeDate(1950, 12, 31),
                        EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), EncodeDate(2000, 1, 1) + EncodeTime(0, 0, 1, 0)}) {
      String text = DateTimeToStr(v, f);
      TDateTime back;
      ASSERT_TRUE(TryStrToDateTime(text, back, f)) << locale << " " << text;
      EXPECT_EQ(Iso(back), Iso(v)) << locale << " " << text;
      EXPECT_EQ(StrToDate(DateToStr(v, f), f), DateOf(v)) << locale;
    }
  }
}

TEST(DateUtils, PartsAndWeeks) {
  const TDateTime v = EncodeDateTime(2024, 2, 9, 15, 4, 5, 7);  // a Friday
  EXPECT_EQ(YearOf(v), 2024);
  EXPECT_EQ(MonthOf(v), 2);
  EXPECT_EQ(DayOf(v), 9);
  EXPECT_EQ(HourOf(v), 15);
  EXPECT_EQ(MinuteOf(v), 4);
  EXPECT_EQ(SecondOf(v), 5);
  EXPECT_EQ(MilliSecondOf(v), 7);
  EXPECT_EQ(DayOfTheWeek(v), DayFriday);
  EXPECT_EQ(DayOfTheWeek(EncodeDate(2024, 2, 11)), DaySunday);
  EXPECT_EQ(DayOfTheYear(v), 40);
  EXPECT_EQ(DateOf(v), EncodeDate(2024, 2, 9));
  EXPECT_EQ(Iso(TimeOf(v)), "1899-12-30 15:04:05.007");
  EXPECT_EQ(DaysInAMonth(2024, 2), 29);
  EXPECT_EQ(DaysInAYear(2023), 365);

  const struct {
    Word y, m, d;
    Word week, week_year;
  } weeks[] = {
      {2024, 2, 9, 6, 2024},   {2021, 1, 3, 53, 2020}, {2020, 12, 31, 53, 2020},
      {2026, 1, 1, 1, 2026},   {2024, 12, 30, 1, 2025}, {2019, 12, 30, 1, 2020},
      {2023, 1, 1, 52, 2022},
  };
  for (const auto& w : weeks) {
    Word year = 0;
    EXPECT_EQ(WeekOfTheYear(EncodeDate(w.y, w.m, w.d), year), w.week) << w.y << "-" << w.m << "-" << w.d;
    EXPECT_EQ(year, w.week_year);
    EXPECT_EQ(WeekOf(EncodeDate(w.y, w.m, w.d)), w.week);
  }
  // Week of the month: the week belongs to the month of its Thursday (checked with fpc).
  const struct {
    Word y, m, d;
    Word week, month_year, month;
  } monthWeeks[] = {
      {2024, 3, 1, 5, 2024, 2},  {2024, 3, 3, 5, 2024, 2}, {2024, 3, 4, 1, 2024, 3},
      {2024, 3, 31, 4, 2024, 3}, {2023, 1, 1, 5, 2022, 12}, {2021, 5, 31, 1, 2021, 6},
      {2024, 2, 26, 5, 2024, 2},
  };
  for (const auto& w : monthWeeks) {
    Word year = 0, month = 0;
    EXPECT_EQ(WeekOfTheMonth(EncodeDate(w.y, w.m, w.d) + 0.75, year, month), w.week) << w.y << "-" << w.m << "-" << w.d;
    EXPECT_EQ(year, w.month_year);
    EXPECT_EQ(month, w.month);
  }
  EXPECT_EQ(WeeksInYear(EncodeDate(2020, 6, 1)), 53);
  EXPECT_EQ(WeeksInYear(EncodeDate(2021, 6, 1)), 52);
  EXPECT_EQ(WeeksInAYear(2026), 53);
}

TEST(DateUtils, StartsEndsAndSteps) {
  const TDateTime v = EncodeDateTime(2024, 2, 9, 15, 4, 5, 7);
  const struct {
    TDateTime got;
    const char* iso;
  } cases[] = {
      {StartOfTheDay(v), "2024-02-09 00:00:00.000"},
      {EndOfTheDay(v), "2024-02-09 23:59:59.999"},
      {StartOfTheWeek(v), "2024-02-05 00:00:00.000"},
      {EndOfTheWeek(v), "2024-02-11 23:59:59.999"},
      {StartOfTheWeek(EncodeDate(2024, 2, 11)), "2024-02-05 00:00:00.000"},
      {StartOfTheMonth(v), "2024-02-01 00:00:00.000"},
      {EndOfTheMonth(v), "2024-02-29 23:59:59.999"},
      {StartOfTheYear(v), "2024-01-01 00:00:00.000"},
      {EndOfTheYear(v), "2024-12-31 23:59:59.999"},
      {IncDay(v, 21), "2024-03-01 15:04:05.007"},
      {IncDay(EncodeDateTime(1899, 12, 31, 6, 0, 0, 0), -2), "1899-12-29 06:00:00.000"},
      {IncDay(-1.25, 1), "1899-12-30 06:00:00.000"},
      {IncWeek(v, -1), "2024-02-02 15:04:05.007"},
      {IncYear(v, -4), "2020-02-09 15:04:05.007"},
      {IncHour(v, 9), "2024-02-10 00:04:05.007"},
      {IncMinute(v, -60 * 24 * 45331 - 15 * 60 - 5), "1899-12-29 23:59:05.007"},
      {IncSecond(EncodeDate(2024, 1, 1), -1), "2023-12-31 23:59:59.000"},
      {IncMilliSecond(v, 993), "2024-02-09 15:04:06.000"},
      {StartOfTheMonth(EncodeDate(1899, 12, 29) - 0.5), "1899-12-01 00:00:00.000"},
  };
  for (const auto& c : cases) EXPECT_EQ(Iso(c.got), c.iso);

  EXPECT_EQ(DaysBetween(EncodeDate(2024, 1, 1), EncodeDate(2024, 1, 3)), 2);
  EXPECT_EQ(DaysBetween(EncodeDate(2024, 1, 3), EncodeDate(2024, 1, 1) + 0.5), 1);
  EXPECT_EQ(DaysBetween(EncodeDate(2024, 1, 1), EncodeDate(2024, 1, 3) - 0.0000001), 1);
  EXPECT_EQ(DaysBetween(-1.25, 0.25), 1);
  EXPECT_TRUE(IsSameDay(v, EncodeDate(2024, 2, 9)));
  EXPECT_FALSE(IsSameDay(v, EncodeDate(2024, 2, 10)));
}

TEST(DateUtils, TodayComesFromTheClock) {
  FixedClock clock(EncodeDateTime(2024, 2, 9, 15, 4, 5, 0));
  EXPECT_EQ(Date(), EncodeDate(2024, 2, 9));
  EXPECT_EQ(Today(), EncodeDate(2024, 2, 9));
  EXPECT_EQ(Yesterday(), EncodeDate(2024, 2, 8));
  EXPECT_EQ(Tomorrow(), EncodeDate(2024, 2, 10));
  EXPECT_EQ(FormatDateTime("hh:nn:ss", Time(), TFormatSettings::EnglishUS()), "15:04:05");
  EXPECT_EQ(Now(), EncodeDateTime(2024, 2, 9, 15, 4, 5, 0));
}

}  // namespace
