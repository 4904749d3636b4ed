// Date utilities of the editors: month and day arithmetic, week numbering, conversion between
// dates and text through the locale (the global FormatSettings), and the smart date words
// ("today", "eom", "tomorrow+3") that the date editors accept as input.
#pragma once

#include "gdi/WinDef.h"
#include "rtl/SysUtils.h"
#include "rtl/Variants.h"

// The editors' "no date" value: formats as an empty text; failed conversions answer it.
constexpr TDateTime NoDateValue = -700000.0;
// 1 January of year 100, the smallest date the editors encode.
extern const TDateTime MinDateValue;
constexpr Integer MaxYear = 9999;

// The locale values that LocaleChar and LocaleString read (the platform's numbers).
constexpr UINT LOCALE_SDATE = 0x1D;
constexpr UINT LOCALE_STIME = 0x1E;
constexpr UINT LOCALE_SSHORTDATE = 0x1F;
constexpr UINT LOCALE_SLONGDATE = 0x20;
constexpr UINT LOCALE_S1159 = 0x28;
constexpr UINT LOCALE_S2359 = 0x29;
constexpr UINT LOCALE_STIMEFORMAT = 0x1003;
constexpr UINT LOCALE_IFIRSTDAYOFWEEK = 0x100C;
constexpr UINT LOCALE_IFIRSTWEEKOFYEAR = 0x100D;

// The smart date words, in table order.
enum TcxDateWord {
  dwToday, dwYesterday, dwTomorrow,
  dwSunday, dwMonday, dwTuesday, dwWednesday, dwThursday, dwFriday, dwSaturday,
  dwFirst, dwSecond, dwThird, dwFourth, dwFifth, dwSixth, dwSeventh,
  dwBOM, dwEOM, dwNow
};
constexpr int cxDateWordCount = 20;
// The words as the program's language has them (reloaded from the resource texts each time).
String DateWordText(TcxDateWord word);

// Month and day arithmetic.
void MonthBack(Integer& year, Integer& month);
void MonthForward(Integer& year, Integer& month);
void MoveMonths(Integer& year, Integer& month, Integer delta);
// Kind 0 the year, 1 the month, 2 the day.
Integer DatePart(Integer kind, TDateTime date);
bool IsGregorianLeapYear(Integer year);
Integer MonthLength(Integer year, Integer month);
Integer ClampDay(Integer year, Integer month, Integer day);
TDateTime TimeFractionOf(TDateTime date);
TDateTime WholeDaysOf(TDateTime date);

// Weeks: the position of the date in its week (weeks start on the format controller's
// FirstDayOfWeek), and the week number of the year. FirstDay 0 = Sunday ... 6 = Saturday; Rule
// 0 takes the locale's first week of the year, 1 the week holding 1 January, 2 the first full
// week, 3 the first week of at least four days.
Integer WeekDayPosition(TDateTime date);
Integer WeekNumber(Integer first_day, Integer rule, TDateTime date);

// Conversions. None raises: a failure answers False and NoDateValue.
bool ParseDateInput(const String& text, TDateTime& date);
bool ParseDateWordInput(const String& text, TDateTime& date);
bool ConvertDateText(const String& text, bool use_locale, TDateTime& date);
void PrepareDateText(String& text, bool use_locale_separators);
void FormatDateForEdit(bool use_mask_format, bool with_time, bool four_digit_year, String& text,
                       TDateTime date);
void FormatDateLocale(bool four_digit_year, String& text, TDateTime date);
bool IsNoDateValue(const Variant& v);
void AppendDateWordsToMask(String& mask, bool include_now);
// Text as a literal of the mask dialect: each "'" becomes "\'", other runs go in quotes.
String QuoteRegExprMaskText(const String& text);
// The locale's value for one of the LOCALE_ constants above (an unknown one gives Default).
char LocaleChar(UINT lc_type, char default_char);
String LocaleString(UINT lc_type, const String& default_text);

// Value checks of the check list box.
bool IsNullOrEmptyVariant(const Variant& v);
bool IsIntegerText(const String& text);
bool IsFloatText(const String& text);
