// Date encoding, decoding, formatting and parsing.
#include "rtl/SysUtils.h"

#include "rtl/Clock.h"

#define KORVAN_TODO throw Exception("not implemented yet")

const Word MonthDays[2][13] = {{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                               {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

bool IsLeapYear(Word year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }
TDateTime EncodeDate(Word year, Word month, Word day) {
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d)) throw EConvertError("Invalid argument to date encode");
  return d;
}
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date) { KORVAN_TODO; }
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec) {
  TDateTime t;
  if (!TryEncodeTime(hour, min, sec, msec, t)) throw EConvertError("Invalid argument to time encode");
  return t;
}
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time) { KORVAN_TODO; }
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day) { KORVAN_TODO; }
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec) { KORVAN_TODO; }
Word DayOfWeek(TDateTime date) { KORVAN_TODO; }
TDateTime IncMonth(TDateTime date, Integer months) { KORVAN_TODO; }
TDateTime ReplaceTime(TDateTime date, TDateTime time) { KORVAN_TODO; }
TDateTime ReplaceDate(TDateTime date_time, TDateTime new_date) { KORVAN_TODO; }
TDateTime Now() { return Clock().Now(); }
TDateTime Date() { KORVAN_TODO; }
TDateTime Time() { KORVAN_TODO; }
String FormatDateTime(const String& pattern, TDateTime value) { return FormatDateTime(pattern, value, FormatSettings); }
String FormatDateTime(const String& pattern, TDateTime value, const TFormatSettings& settings) { KORVAN_TODO; }
String DateToStr(TDateTime date) { return DateToStr(date, FormatSettings); }
String DateToStr(TDateTime date, const TFormatSettings& settings) { return FormatDateTime("ddddd", date, settings); }
String TimeToStr(TDateTime time) { return TimeToStr(time, FormatSettings); }
String TimeToStr(TDateTime time, const TFormatSettings& settings) { return FormatDateTime("tt", time, settings); }
String DateTimeToStr(TDateTime value) { return DateTimeToStr(value, FormatSettings); }
String DateTimeToStr(TDateTime value, const TFormatSettings& settings) { return FormatDateTime("c", value, settings); }

#define KORVAN_PARSE_FORMS(Name, Kind)                                                              \
  TDateTime StrTo##Name(const String& s) { return StrTo##Name(s, FormatSettings); }                \
  TDateTime StrTo##Name(const String& s, const TFormatSettings& settings) {                        \
    TDateTime v;                                                                                   \
    if (!TryStrTo##Name(s, v, settings)) throw EConvertError("'" + s + "' is not a valid " Kind); \
    return v;                                                                                      \
  }                                                                                                \
  bool TryStrTo##Name(const String& s, TDateTime& value) {                                         \
    return TryStrTo##Name(s, value, FormatSettings);                                               \
  }                                                                                                \
  TDateTime StrTo##Name##Def(const String& s, TDateTime def) {                                     \
    return StrTo##Name##Def(s, def, FormatSettings);                                               \
  }                                                                                                \
  TDateTime StrTo##Name##Def(const String& s, TDateTime def, const TFormatSettings& settings) {    \
    TDateTime v;                                                                                   \
    return TryStrTo##Name(s, v, settings) ? v : def;                                               \
  }
KORVAN_PARSE_FORMS(Date, "date")
KORVAN_PARSE_FORMS(Time, "time")
KORVAN_PARSE_FORMS(DateTime, "date and time")

bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& settings) { KORVAN_TODO; }
bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& settings) { KORVAN_TODO; }
bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& settings) { KORVAN_TODO; }
