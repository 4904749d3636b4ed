// Date arithmetic on TDateTime.
#include "rtl/DateUtils.h"

#include <cmath>

namespace {
TDateTime Combine(TDateTime date, TDateTime time) { return ReplaceTime(date, time); }

// The Monday that starts the ISO week holding the date.
double IsoWeekStart(double day) { return day - (DayOfTheWeek(day) - 1); }

// The Monday of ISO week 1 of a year: the week holding 4 January.
double IsoYearStart(Word year) { return IsoWeekStart(EncodeDate(year, 1, 4)); }
}  // namespace

bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word minute, Word second,
                       Word msec, TDateTime& value) {
  TDateTime d, t;
  if (!TryEncodeDate(year, month, day, d) || !TryEncodeTime(hour, minute, second, msec, t)) return false;
  if (t >= 1.0) {  // 24:00 is the start of the next day
    if (!TryEncodeDate(year, month, day, d)) return false;
    value = d + 1;
    return true;
  }
  value = Combine(d, t);
  return true;
}

TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word minute, Word second,
                         Word msec) {
  TDateTime v;
  if (!TryEncodeDateTime(year, month, day, hour, minute, second, msec, v))
    throw EConvertError("Invalid argument to date encode");
  return v;
}

void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour,
                    Word& minute, Word& second, Word& msec) {
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, msec);
}

bool IsValidDate(Word year, Word month, Word day) {
  TDateTime d;
  return TryEncodeDate(year, month, day, d);
}

TDateTime DateOf(TDateTime value) {
  Word y, m, d;
  DecodeDate(value, y, m, d);  // through the rounded value: 23:59:59.9999 is the next day
  return y ? EncodeDate(y, m, d) : std::trunc(value);
}

TDateTime TimeOf(TDateTime value) {
  Word h, n, s, ms;
  DecodeTime(value, h, n, s, ms);
  return EncodeTime(h, n, s, ms);
}

Word YearOf(TDateTime value) {
  Word y, m, d;
  DecodeDate(value, y, m, d);
  return y;
}

Word MonthOf(TDateTime value) {
  Word y, m, d;
  DecodeDate(value, y, m, d);
  return m;
}

Word DayOf(TDateTime value) {
  Word y, m, d;
  DecodeDate(value, y, m, d);
  return d;
}

Word HourOf(TDateTime value) {
  Word h, n, s, ms;
  DecodeTime(value, h, n, s, ms);
  return h;
}

Word MinuteOf(TDateTime value) {
  Word h, n, s, ms;
  DecodeTime(value, h, n, s, ms);
  return n;
}

Word SecondOf(TDateTime value) {
  Word h, n, s, ms;
  DecodeTime(value, h, n, s, ms);
  return s;
}

Word MilliSecondOf(TDateTime value) {
  Word h, n, s, ms;
  DecodeTime(value, h, n, s, ms);
  return ms;
}

Word WeekOfTheYear(TDateTime value, Word& year) {
  double day = DateOf(value);
  // The ISO year is the year of the week's Thursday.
  double thursday = IsoWeekStart(day) + 3;
  year = YearOf(thursday);
  return Word(int((IsoWeekStart(day) - IsoYearStart(year)) / 7) + 1);
}

Word WeekOfTheYear(TDateTime value) {
  Word y;
  return WeekOfTheYear(value, y);
}

Word WeekOfTheMonth(TDateTime value, Word& year, Word& month) {
  double thursday = IsoWeekStart(DateOf(value)) + 3;
  Word day;
  DecodeDate(thursday, year, month, day);
  return Word((day - 1) / 7 + 1);
}

Word WeekOfTheMonth(TDateTime value) {
  Word y, m;
  return WeekOfTheMonth(value, y, m);
}

Word WeekOf(TDateTime value) { return WeekOfTheYear(value); }

Word WeeksInAYear(Word year) {
  // 53 weeks when the year starts on a Thursday, or on a Wednesday in a leap year.
  Word first = DayOfTheWeek(EncodeDate(year, 1, 1));
  return (first == DayThursday || (first == DayWednesday && IsLeapYear(year))) ? 53 : 52;
}

Word WeeksInYear(TDateTime value) { return WeeksInAYear(YearOf(value)); }

Word DayOfTheWeek(TDateTime value) {
  Word d = DayOfWeek(value);  // 1 = Sunday
  return d == 1 ? DaySunday : Word(d - 1);
}

Word DayOfTheYear(TDateTime value) {
  Word y = YearOf(value);
  return Word(int(DateOf(value) - EncodeDate(y, 1, 1)) + 1);
}

Word DaysInAMonth(Word year, Word month) { return MonthDays[IsLeapYear(year)][month]; }
Word DaysInAYear(Word year) { return IsLeapYear(year) ? 366 : 365; }
Word DaysInMonth(TDateTime value) {
  Word y, m, d;
  DecodeDate(value, y, m, d);
  return DaysInAMonth(y, m);
}

TDateTime StartOfTheDay(TDateTime value) { return DateOf(value); }
TDateTime EndOfTheDay(TDateTime value) { return Combine(DateOf(value), EncodeTime(23, 59, 59, 999)); }

TDateTime StartOfTheWeek(TDateTime value) {
  double day = DateOf(value);
  return day - (DayOfTheWeek(day) - 1);
}

TDateTime EndOfTheWeek(TDateTime value) { return EndOfTheDay(StartOfTheWeek(value) + 6); }

TDateTime StartOfTheMonth(TDateTime value) {
  Word y, m, d;
  DecodeDate(value, y, m, d);
  return EncodeDate(y, m, 1);
}

TDateTime EndOfTheMonth(TDateTime value) {
  Word y, m, d;
  DecodeDate(value, y, m, d);
  return EndOfTheDay(EncodeDate(y, m, DaysInAMonth(y, m)));
}

TDateTime StartOfTheYear(TDateTime value) { return EncodeDate(YearOf(value), 1, 1); }
TDateTime EndOfTheYear(TDateTime value) { return EndOfTheDay(EncodeDate(YearOf(value), 12, 31)); }

TDateTime IncYear(TDateTime value, Integer years) { return IncMonth(value, years * 12); }
TDateTime IncWeek(TDateTime value, Integer weeks) { return IncDay(value, weeks * 7); }

TDateTime IncDay(TDateTime value, Integer days) {
  // Whole days move the calendar day and keep the time of day, on both sides of 1899-12-30.
  double day = std::trunc(value) + days;
  double t = std::fabs(value - std::trunc(value));
  return day >= 0 ? day + t : day - t;
}

namespace {
TDateTime IncMs(TDateTime value, Int64 ms) {
  // On a continuous millisecond scale: day * MSecsPerDay + time of day.
  double day = std::trunc(value);
  double t = std::fabs(value - day);
  double total = day * MSecsPerDay + std::nearbyint(t * MSecsPerDay) + double(ms);
  double nd = std::floor(total / MSecsPerDay);
  double nt = (total - nd * MSecsPerDay) / MSecsPerDay;
  return nd >= 0 ? nd + nt : nd - nt;
}
}  // namespace

TDateTime IncHour(TDateTime value, Int64 hours) { return IncMs(value, hours * 3600000); }
TDateTime IncMinute(TDateTime value, Int64 minutes) { return IncMs(value, minutes * 60000); }
TDateTime IncSecond(TDateTime value, Int64 seconds) { return IncMs(value, seconds * 1000); }
TDateTime IncMilliSecond(TDateTime value, Int64 msecs) { return IncMs(value, msecs); }

namespace {
// Milliseconds on a continuous scale.
double Span(TDateTime v) {
  double day = std::trunc(v);
  double t = std::fabs(v - day);
  return day * MSecsPerDay + t * MSecsPerDay;
}
}  // namespace

Integer DaysBetween(TDateTime a, TDateTime b) {
  double ms = std::fabs(Span(a) - Span(b));
  return Integer(std::floor((ms + 0.5) / MSecsPerDay));
}

bool IsSameDay(TDateTime value, TDateTime basis) { return DateOf(value) == DateOf(basis); }

TDateTime Today() { return Date(); }
TDateTime Yesterday() { return Date() - 1; }
TDateTime Tomorrow() { return Date() + 1; }
