#include "rtl/DateUtils.h"

#define KORVAN_TODO throw Exception("not implemented yet")

TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word minute, Word second,
                         Word msec) { KORVAN_TODO; }
bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word minute, Word second,
                       Word msec, TDateTime& value) { KORVAN_TODO; }
void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour,
                    Word& minute, Word& second, Word& msec) { KORVAN_TODO; }
bool IsValidDate(Word year, Word month, Word day) { KORVAN_TODO; }
TDateTime DateOf(TDateTime value) { KORVAN_TODO; }
TDateTime TimeOf(TDateTime value) { KORVAN_TODO; }
Word YearOf(TDateTime value) { KORVAN_TODO; }
Word MonthOf(TDateTime value) { KORVAN_TODO; }
Word DayOf(TDateTime value) { KORVAN_TODO; }
Word HourOf(TDateTime value) { KORVAN_TODO; }
Word MinuteOf(TDateTime value) { KORVAN_TODO; }
Word SecondOf(TDateTime value) { KORVAN_TODO; }
Word MilliSecondOf(TDateTime value) { KORVAN_TODO; }
Word WeekOf(TDateTime value) { KORVAN_TODO; }
Word WeekOfTheYear(TDateTime value) { KORVAN_TODO; }
Word WeekOfTheYear(TDateTime value, Word& year) { KORVAN_TODO; }
Word WeeksInYear(TDateTime value) { KORVAN_TODO; }
Word WeeksInAYear(Word year) { KORVAN_TODO; }
Word DayOfTheWeek(TDateTime value) { KORVAN_TODO; }
Word DayOfTheYear(TDateTime value) { KORVAN_TODO; }
Word DaysInAMonth(Word year, Word month) { KORVAN_TODO; }
Word DaysInAYear(Word year) { KORVAN_TODO; }
Word DaysInMonth(TDateTime value) { KORVAN_TODO; }
TDateTime StartOfTheDay(TDateTime value) { KORVAN_TODO; }
TDateTime EndOfTheDay(TDateTime value) { KORVAN_TODO; }
TDateTime StartOfTheWeek(TDateTime value) { KORVAN_TODO; }
TDateTime EndOfTheWeek(TDateTime value) { KORVAN_TODO; }
TDateTime StartOfTheMonth(TDateTime value) { KORVAN_TODO; }
TDateTime EndOfTheMonth(TDateTime value) { KORVAN_TODO; }
TDateTime StartOfTheYear(TDateTime value) { KORVAN_TODO; }
TDateTime EndOfTheYear(TDateTime value) { KORVAN_TODO; }
TDateTime IncYear(TDateTime value, Integer years) { KORVAN_TODO; }
TDateTime IncWeek(TDateTime value, Integer weeks) { KORVAN_TODO; }
TDateTime IncDay(TDateTime value, Integer days) { KORVAN_TODO; }
TDateTime IncHour(TDateTime value, Int64 hours) { KORVAN_TODO; }
TDateTime IncMinute(TDateTime value, Int64 minutes) { KORVAN_TODO; }
TDateTime IncSecond(TDateTime value, Int64 seconds) { KORVAN_TODO; }
TDateTime IncMilliSecond(TDateTime value, Int64 msecs) { KORVAN_TODO; }
Integer DaysBetween(TDateTime a, TDateTime b) { KORVAN_TODO; }
bool IsSameDay(TDateTime value, TDateTime basis) { KORVAN_TODO; }
TDateTime Today() { KORVAN_TODO; }
TDateTime Yesterday() { KORVAN_TODO; }
TDateTime Tomorrow() { KORVAN_TODO; }
