// Date arithmetic on TDateTime: parts of a date, starts and ends of weeks, months and years,
// stepping by days, weeks and years, and ISO 8601 weeks. Weeks here start on Monday
// (DayOfTheWeek 1 = Monday ... 7 = Sunday), unlike SysUtils' DayOfWeek (1 = Sunday).
#pragma once

#include "rtl/SysUtils.h"

constexpr Word DayMonday = 1;
constexpr Word DayTuesday = 2;
constexpr Word DayWednesday = 3;
constexpr Word DayThursday = 4;
constexpr Word DayFriday = 5;
constexpr Word DaySaturday = 6;
constexpr Word DaySunday = 7;

// Year, month and day; hour to millisecond. Invalid values raise EConvertError.
TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word minute, Word second,
                         Word msec);
bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word minute, Word second,
                       Word msec, TDateTime& value);
void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour,
                    Word& minute, Word& second, Word& msec);
bool IsValidDate(Word year, Word month, Word day);

// The date with time 00:00, and the time of day alone.
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);

Word YearOf(TDateTime value);
Word MonthOf(TDateTime value);
Word DayOf(TDateTime value);
Word HourOf(TDateTime value);
Word MinuteOf(TDateTime value);
Word SecondOf(TDateTime value);
Word MilliSecondOf(TDateTime value);
// ISO 8601 week number (1..53); the week belongs to the year of its Thursday.
Word WeekOf(TDateTime value);
Word WeekOfTheYear(TDateTime value);
Word WeekOfTheYear(TDateTime value, Word& year);
// Week of the month of ISO weeks (Monday to Sunday): a week belongs to the month of its
// Thursday; `year` and `month` receive that month.
Word WeekOfTheMonth(TDateTime value);
Word WeekOfTheMonth(TDateTime value, Word& year, Word& month);
// Weeks (52 or 53) in the ISO year.
Word WeeksInYear(TDateTime value);
Word WeeksInAYear(Word year);
// 1 = Monday ... 7 = Sunday.
Word DayOfTheWeek(TDateTime value);
Word DayOfTheYear(TDateTime value);
Word DaysInAMonth(Word year, Word month);
Word DaysInAYear(Word year);
Word DaysInMonth(TDateTime value);

// Starts at 00:00:00.000, ends at 23:59:59.999 (weeks from Monday to Sunday).
TDateTime StartOfTheDay(TDateTime value);
TDateTime EndOfTheDay(TDateTime value);
TDateTime StartOfTheWeek(TDateTime value);
TDateTime EndOfTheWeek(TDateTime value);
TDateTime StartOfTheMonth(TDateTime value);
TDateTime EndOfTheMonth(TDateTime value);
TDateTime StartOfTheYear(TDateTime value);
TDateTime EndOfTheYear(TDateTime value);

// Steps keep the time of day; IncYear clamps 29 February to 28 February like IncMonth.
TDateTime IncYear(TDateTime value, Integer years = 1);
TDateTime IncWeek(TDateTime value, Integer weeks = 1);
TDateTime IncDay(TDateTime value, Integer days = 1);
TDateTime IncHour(TDateTime value, Int64 hours = 1);
TDateTime IncMinute(TDateTime value, Int64 minutes = 1);
TDateTime IncSecond(TDateTime value, Int64 seconds = 1);
TDateTime IncMilliSecond(TDateTime value, Int64 msecs = 1);

// Whole days between two moments (|b - a| rounded down to days, with a millisecond of
// tolerance so that 23:59:59.9995 apart is not counted short).
Integer DaysBetween(TDateTime a, TDateTime b);
bool IsSameDay(TDateTime value, TDateTime basis);

// Through the program's clock: today, yesterday and tomorrow at 00:00.
TDateTime Today();
TDateTime Yesterday();
TDateTime Tomorrow();
