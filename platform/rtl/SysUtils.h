// Strings, numbers, dates and their text forms: the locale's format settings, trimming and
// case, comparison (ordinal and locale-aware through ICU), integer and floating-point
// conversion, Format, FormatFloat, FormatDateTime, date encoding and file-name helpers.
//
// Indexes: the functions that carry the platform's names count string positions as the
// platform does, from 1 (Pos returns 1 for a match at the start and 0 for none; Copy(s, 1, n)
// is the first n bytes). Positions and lengths are in bytes of the UTF-8 text unless a
// function says it counts characters (see "UTF-8 stepping").
#pragma once

#include <array>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "rtl/Currency.h"
#include "rtl/Math.h"
#include "rtl/System.h"
#include "rtl/Types.h"

// ---------------------------------------------------------------------------------------------
// Format settings

struct TFormatSettings {
  // Currency: CurrencyFormat 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"; NegCurrFormat 0..15 as the
  // platform numbers them (0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)", 5 "-1$", 6 "1-$",
  // 7 "1$-", 8 "-1 $", 9 "-$ 1", 10 "1 $-", 11 "$ 1-", 12 "$ -1", 13 "1- $", 14 "($ 1)",
  // 15 "(1 $)").
  String CurrencyString = "$";
  Byte CurrencyFormat = 0;
  Byte NegCurrFormat = 0;
  Byte CurrencyDecimals = 2;
  // Separators are single ASCII characters, as the code that parses by character expects;
  // a locale whose separator is outside ASCII gets the nearest ASCII one (a no-break space
  // becomes a space). ThousandSeparator '\0' means none.
  char ThousandSeparator = ',';
  char DecimalSeparator = '.';
  char DateSeparator = '/';
  char TimeSeparator = ':';
  char ListSeparator = ',';
  // Date and time formats in FormatDateTime's pattern language.
  String ShortDateFormat = "M/d/yyyy";
  String LongDateFormat = "dddd, MMMM d, yyyy";
  String ShortTimeFormat = "h:mm AMPM";
  String LongTimeFormat = "h:mm:ss AMPM";
  String TimeAMString = "AM";
  String TimePMString = "PM";
  // Month names January first; day names Sunday first.
  std::array<String, 12> ShortMonthNames;
  std::array<String, 12> LongMonthNames;
  std::array<String, 7> ShortDayNames;
  std::array<String, 7> LongDayNames;
  // Two-digit years when parsing: 0 puts them in the current century; n > 0 puts them in
  // the 100 years that start n years before the current year.
  Word TwoDigitYearCenturyWindow = 50;
  // The locale's calendar conventions, numbered as the platform's locale values are:
  // FirstDayOfWeek 0 = Monday ... 6 = Sunday; FirstWeekOfYear 0 = the week holding 1 January,
  // 1 = the first full week, 2 = the first week with at least four days.
  Byte FirstDayOfWeek = 6;
  Byte FirstWeekOfYear = 0;

  // English (United States), the fixed settings of the tests.
  static TFormatSettings EnglishUS();
  // The settings of an ICU locale name ("en_US", "ja_JP", "de_DE"); an unknown name gives
  // ICU's root locale data.
  static TFormatSettings FromLocale(const String& locale_name);
  // The settings of the process's default locale (the environment's LANG).
  static TFormatSettings Default();
};

// The settings the overloads without a TFormatSettings argument use. Filled from the
// process's default locale at start-up; tests assign EnglishUS().
extern TFormatSettings FormatSettings;

// ---------------------------------------------------------------------------------------------
// Trimming, case and comparison

// Remove characters up to and including space (control characters and blanks) at the ends.
String Trim(const String& s);
String TrimLeft(const String& s);
String TrimRight(const String& s);

// ASCII case mapping; other bytes are kept.
String UpperCase(const String& s);
String LowerCase(const String& s);
// Full Unicode case mapping of the UTF-8 text (ICU, root locale rules).
String AnsiUpperCase(const String& s);
String AnsiLowerCase(const String& s);

// Ordinal comparison by bytes (UTF-8 byte order is code-point order). Result < 0, 0, > 0.
int CompareStr(const String& a, const String& b);
// Ordinal comparison with ASCII letters folded to upper case.
int CompareText(const String& a, const String& b);
bool SameStr(const String& a, const String& b);
bool SameText(const String& a, const String& b);
// Locale-aware comparison (ICU collation of the collation locale below). AnsiCompareStr
// distinguishes case (lower case sorts before upper case, as in dictionaries) and gives
// different texts a strict order; AnsiCompareText ignores case only (not accents, width or
// kana type). Results are -1, 0 or 1.
int AnsiCompareStr(const String& a, const String& b);
int AnsiCompareText(const String& a, const String& b);
bool AnsiSameStr(const String& a, const String& b);
bool AnsiSameText(const String& a, const String& b);
// A key for hashing under AnsiSameText: two texts have equal keys exactly when AnsiSameText
// holds for them under the current collation locale.
std::string AnsiTextKey(const String& s);
// The locale of the Ansi comparisons: the process's default locale until set (tests set
// "en_US").
void SetCollationLocale(const String& locale_name);
String CollationLocale();

// ---------------------------------------------------------------------------------------------
// Positions and substrings (1-based, bytes)

// The 1-based position of the first occurrence of sub in s, 0 when absent or sub is empty.
Integer Pos(const String& sub, const String& s);
// Up to count bytes of s starting at the 1-based index; an index below 1 counts as 1, past
// the end or a count <= 0 gives "".
String Copy(const String& s, Integer index, Integer count);
// Everything from the 1-based index to the end.
String Copy(const String& s, Integer index);

enum class TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag, 2>;
constexpr TReplaceFlag rfReplaceAll = TReplaceFlag::rfReplaceAll;
constexpr TReplaceFlag rfIgnoreCase = TReplaceFlag::rfIgnoreCase;
// Replaces the first (or with rfReplaceAll every) occurrence of old_pattern; with
// rfIgnoreCase the match ignores case (Unicode simple case folding).
String StringReplace(const String& s, const String& old_pattern, const String& new_pattern,
                     TReplaceFlags flags = {});

// ---------------------------------------------------------------------------------------------
// UTF-8 stepping. The platform's multi-byte helpers, with UTF-8 sequences as the characters.
// Byte indexes are 1-based like Copy; an invalid byte counts as a character of its own.

enum TMbcsByteType { mbSingleByte, mbLeadByte, mbTrailByte };
// The kind of the byte at the 1-based index.
TMbcsByteType ByteType(const String& s, Integer index);
// Bytes of the character that starts at the 1-based index (1 for an invalid byte, 0 past the
// end).
Integer CharLength(const String& s, Integer index);
// The 1-based index of the character after the one at index.
Integer NextCharIndex(const String& s, Integer index);
// The 1-based index of the character before the one at index (1 stays 1).
Integer PrevCharIndex(const String& s, Integer index);
// Number of characters in s.
Integer CharCount(const String& s);
// Number of characters that start within the first max_len bytes.
Integer ElementToCharLen(const String& s, Integer max_len);
// The 1-based character number of the character holding byte index (0 when out of range).
Integer ElementToCharIndex(const String& s, Integer index);
// Bytes taken by the first max_chars characters.
Integer CharToElementLen(const String& s, Integer max_chars);
// The 1-based byte index of the 1-based character number (0 when out of range).
Integer CharToElementIndex(const String& s, Integer char_index);
// Copy by characters: count characters from the 1-based character number.
String CopyChars(const String& s, Integer char_index, Integer count);
// Bytes of the valid UTF-8 sequence at the 0-based offset: 1 for an invalid byte (a stray
// continuation, an overlong form, a surrogate, a sequence cut by the end), 0 past the end.
size_t Utf8SequenceLength(std::string_view s, size_t offset);
// Decodes the character at the 0-based byte offset and advances the offset past it; an
// invalid byte decodes as U+FFFD and advances by one.
char32_t DecodeUtf8(std::string_view s, size_t& offset);
// Appends the UTF-8 form of a code point.
void AppendUtf8(String& out, char32_t code_point);
// UTF-8 and UTF-16 (WideString): an invalid UTF-8 byte and an unpaired surrogate become
// U+FFFD; characters beyond U+FFFF take a surrogate pair.
WideString UTF8Decode(const String& s);
String UTF8Encode(const WideString& s);
// The columns the text takes on a fixed-pitch display, as a double-byte code page counted
// bytes: East Asian wide and full-width characters (ICU's East Asian width W and F) take two,
// combining marks and format characters none, every other character one.
Integer TextDisplayWidth(const String& s);

// ---------------------------------------------------------------------------------------------
// Quoting, lists and identifiers

// 'text' with embedded quotes doubled.
String QuotedStr(const String& s);
String AnsiQuotedStr(const String& s, char quote);
// Reads a quoted string at p (which must point at the quote character): returns the text
// with doubled quotes reduced and moves p past the closing quote (or to the end when it is
// missing). When p does not point at the quote, returns "" and leaves p.
String AnsiExtractQuotedStr(const char*& p, char quote);
// The text of s unquoted when s is quoted with `quote`, otherwise s unchanged.
String AnsiDequotedStr(const String& s, char quote);

// Splits on the separator; each item is trimmed and empty items are dropped
// ("A; B;;C" -> {"A", "B", "C"}); the form the field-name lists use.
std::vector<String> SplitString(const String& s, char separator = ';');
String JoinStrings(const std::vector<String>& items, const String& separator = ";");

// A letter or '_' followed by letters, digits and '_' (ASCII); with allow_dots, dotted
// identifiers ("a.b") are accepted too.
bool IsValidIdent(const String& s, bool allow_dots = false);

// ---------------------------------------------------------------------------------------------
// Integers

String IntToStr(Int64 value);
template <class T>
  requires std::is_integral_v<T> && (!std::is_same_v<T, Int64>)
String IntToStr(T value) { return IntToStr(Int64(value)); }
// Hexadecimal in upper case, at least `digits` digits; a negative value shows its two's
// complement in the width of its type (IntToHex(-1, 2) is "FFFFFFFF" for an Integer).
String IntToHexBits(UInt64 bits, Integer digits);
template <class T>
  requires std::is_integral_v<T>
String IntToHex(T value, Integer digits) {
  if constexpr (sizeof(T) <= 4) return IntToHexBits(UInt64(uint32_t(value)), digits);
  else return IntToHexBits(UInt64(value), digits);
}

// Decimal with optional sign, or hexadecimal with "$", "0x" or "0X"; leading blanks are
// allowed. Raises EConvertError "'abc' is not a valid integer value" for other text or a
// value outside the type.
Integer StrToInt(const String& s);
Int64 StrToInt64(const String& s);
Integer StrToIntDef(const String& s, Integer def);
Int64 StrToInt64Def(const String& s, Int64 def);
bool TryStrToInt(const String& s, Integer& value);
bool TryStrToInt64(const String& s, Int64& value);

// ---------------------------------------------------------------------------------------------
// Format

// One argument of Format, the platform's TVarRec. It refers to string arguments without
// copying them: build it only within the call of Format.
class TVarRec {
 public:
  enum Kind { vtInteger, vtInt64, vtExtended, vtCurrency, vtString, vtPointer, vtBoolean, vtChar };
  TVarRec(int v) : kind_(vtInteger), i_(v) {}
  TVarRec(unsigned v) : kind_(vtInt64), i_(Int64(v)) {}
  TVarRec(long v) : kind_(vtInt64), i_(v) {}
  TVarRec(long long v) : kind_(vtInt64), i_(Int64(v)) {}
  TVarRec(unsigned long v) : kind_(vtInt64), i_(Int64(v)) {}
  TVarRec(unsigned long long v) : kind_(vtInt64), i_(Int64(v)) {}
  TVarRec(double v) : kind_(vtExtended), d_(v) {}
  TVarRec(float v) : kind_(vtExtended), d_(v) {}
  TVarRec(Currency v) : kind_(vtCurrency), i_(v.Raw()) {}
  TVarRec(const char* v) : kind_(vtString), s_(v ? v : "") {}
  TVarRec(std::string_view v) : kind_(vtString), s_(v) {}
  TVarRec(const String& v) : kind_(vtString), s_(v) {}
  TVarRec(char v) : kind_(vtChar), c_(v) {}
  TVarRec(bool v) : kind_(vtBoolean), i_(v) {}
  TVarRec(const void* v) : kind_(vtPointer), p_(v) {}

  Kind VType() const { return kind_; }
  Int64 AsInt64() const { return i_; }
  double AsDouble() const { return d_; }
  Currency AsCurrency() const { return Currency::FromRaw(i_); }
  std::string_view AsString() const { return kind_ == vtChar ? std::string_view(&c_, 1) : s_; }
  const void* AsPointer() const { return p_; }

 private:
  Kind kind_;
  Int64 i_ = 0;
  double d_ = 0;
  std::string_view s_;
  const void* p_ = nullptr;
  char c_ = 0;
};
using TFormatArgs = std::initializer_list<TVarRec>;

// Formats with the conversions %d %u %x %e %f %g %n %m %s %p and "%%", each written as
// "%" [index ":"] ["-"] [width] ["." precision] type, width and precision may be "*" (taken
// from the arguments). Raises EConvertError "Format 'x' invalid or incompatible with
// argument" for a bad format or an argument of the wrong kind, and "No argument for format
// 'x'" when the arguments run out. Example: Format("%s has %d rows", {name, n}).
String Format(const String& fmt, TFormatArgs args);
String Format(const String& fmt, TFormatArgs args, const TFormatSettings& settings);

// ---------------------------------------------------------------------------------------------
// Floating-point numbers

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// General format with 15 significant digits ("0.1", "1E20", "1.5E-5").
String FloatToStr(double value);
String FloatToStr(double value, const TFormatSettings& settings);
// precision: significant digits (1..17; more are taken as 17); digits: ffGeneral/ffExponent
// minimum exponent digits (0..4), ffFixed/ffNumber/ffCurrency decimals (0..18).
String FloatToStrF(double value, TFloatFormat format, int precision, int digits);
String FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                   const TFormatSettings& settings);
// The pattern language: "0" digit, "#" optional digit, "." decimal separator (first one),
// "," thousands separator (anywhere among the digits), "E+" "E-" "e+" "e-" exponent,
// '...' and "..." literal text, up to three sections positive;negative;zero. Rounds half
// away from zero on the decimal value. An empty pattern gives FloatToStrF(ffGeneral, 15, 0).
// Raises EConvertError for a pattern with more than three sections.
String FormatFloat(const String& pattern, double value);
String FormatFloat(const String& pattern, double value, const TFormatSettings& settings);

// Optional sign, digits with the decimal separator, optional exponent ("1,5E3" in a comma
// locale); blanks around the number allowed; no thousands separators. StrToFloat raises
// EConvertError "'x' is not a valid floating point value".
double StrToFloat(const String& s);
double StrToFloat(const String& s, const TFormatSettings& settings);
bool TryStrToFloat(const String& s, double& value);
bool TryStrToFloat(const String& s, double& value, const TFormatSettings& settings);
double StrToFloatDef(const String& s, double def);
double StrToFloatDef(const String& s, double def, const TFormatSettings& settings);

// Currency text: CurrToStr is FloatToStrF(ffGeneral) of the exact value; StrToCurr parses as
// StrToFloat and rounds to four decimals ("'x' is not a valid floating point value").
String CurrToStr(Currency value);
String CurrToStr(Currency value, const TFormatSettings& settings);
String CurrToStrF(Currency value, TFloatFormat format, int digits);
String CurrToStrF(Currency value, TFloatFormat format, int digits, const TFormatSettings& settings);
String FormatCurr(const String& pattern, Currency value);
String FormatCurr(const String& pattern, Currency value, const TFormatSettings& settings);
// The FormatFloat pattern of the locale's currency ("$,0.00;($,0.00)"): the symbol placed by
// CurrencyFormat and NegCurrFormat, with "," and "." in the symbol quoted.
String CurrencyFormatPattern(const TFormatSettings& settings);
Currency StrToCurr(const String& s);
Currency StrToCurr(const String& s, const TFormatSettings& settings);
bool TryStrToCurr(const String& s, Currency& value);
bool TryStrToCurr(const String& s, Currency& value, const TFormatSettings& settings);
Currency StrToCurrDef(const String& s, Currency def);

// ---------------------------------------------------------------------------------------------
// Dates and times. TDateTime counts days since 1899-12-30 (0.0); the fraction is the time
// of day. Before 1899-12-30 the whole part counts backwards and the fraction still adds
// time: -1.25 is 1899-12-29 06:00.

constexpr Integer HoursPerDay = 24;
constexpr Integer MinsPerDay = 24 * 60;
constexpr Integer SecsPerDay = 24 * 60 * 60;
constexpr Integer MSecsPerDay = 24 * 60 * 60 * 1000;
// Days from 0001-01-01 to 1899-12-30.
constexpr Integer DateDelta = 693594;
// Days in each month, indexed [leap year][month 1..12] (index 0 unused).
extern const Word MonthDays[2][13];

bool IsLeapYear(Word year);
// Year 1..9999, month 1..12, day 1..days of the month; EConvertError "Invalid argument to
// date encode" otherwise.
TDateTime EncodeDate(Word year, Word month, Word day);
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date);
// Hour 0..23, minute and second 0..59, ms 0..999 (24:00:00.000 is accepted as 1.0);
// EConvertError "Invalid argument to time encode" otherwise.
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time);
// Dates outside 0001-01-01..9999-12-31 decode to 0/0/0.
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
// The time of day, rounded to the millisecond.
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec);
// 1 = Sunday ... 7 = Saturday.
Word DayOfWeek(TDateTime date);
// Adds months, keeping the day (clamped to the month's length) and the time.
TDateTime IncMonth(TDateTime date, Integer months = 1);
// The date of `date` with the time of `time`, and the other way round.
TDateTime ReplaceTime(TDateTime date, TDateTime time);
TDateTime ReplaceDate(TDateTime date_time, TDateTime new_date);

// Through the program's clock (rtl/Clock.h).
TDateTime Now();
TDateTime Date();
TDateTime Time();

// Pattern language: c (short date, then long time unless midnight), d dd ddd dddd ddddd
// (short date) dddddd (long date), e ee g gg (era: Gregorian years, era "AD"), m mm mmm
// mmmm (month, or minutes right after h/hh), yy yyyy, h hh, n nn, s ss, z zzz, t (short
// time) tt (long time), am/pm a/p ampm (12-hour clock; AMPM uses TimeAMString/TimePMString),
// / and : (the locale's separators), "..." and '...' literal text; letters are
// case-insensitive; other characters are copied.
String FormatDateTime(const String& pattern, TDateTime value);
String FormatDateTime(const String& pattern, TDateTime value, const TFormatSettings& settings);
String DateToStr(TDateTime date);
String DateToStr(TDateTime date, const TFormatSettings& settings);
String TimeToStr(TDateTime time);
String TimeToStr(TDateTime time, const TFormatSettings& settings);
String DateTimeToStr(TDateTime value);
String DateTimeToStr(TDateTime value, const TFormatSettings& settings);

// Parsing: one to three numbers separated by DateSeparator (blanks around them allowed), read
// in the order of the short date format (m-d-y, d-m-y or y-m-d); one or two numbers take the
// current year (and month) from Date(); years of one or two digits go through
// TwoDigitYearCenturyWindow. Times: h[:n[:s[.z]]] with an optional AM/PM marker
// (TimeAMString/TimePMString or "AM"/"PM", any case). StrToDateTime takes a date, a time, or a
// date and a time after a blank. Raises EConvertError "'x' is not a valid date" / "... time" /
// "... date and time".
TDateTime StrToDate(const String& s);
TDateTime StrToDate(const String& s, const TFormatSettings& settings);
bool TryStrToDate(const String& s, TDateTime& value);
bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToDateDef(const String& s, TDateTime def);
TDateTime StrToDateDef(const String& s, TDateTime def, const TFormatSettings& settings);
TDateTime StrToTime(const String& s);
TDateTime StrToTime(const String& s, const TFormatSettings& settings);
bool TryStrToTime(const String& s, TDateTime& value);
bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToTimeDef(const String& s, TDateTime def);
TDateTime StrToTimeDef(const String& s, TDateTime def, const TFormatSettings& settings);
TDateTime StrToDateTime(const String& s);
TDateTime StrToDateTime(const String& s, const TFormatSettings& settings);
bool TryStrToDateTime(const String& s, TDateTime& value);
bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToDateTimeDef(const String& s, TDateTime def);
TDateTime StrToDateTimeDef(const String& s, TDateTime def, const TFormatSettings& settings);

// ---------------------------------------------------------------------------------------------
// File names (the path delimiter is '/')

constexpr char PathDelim = '/';
constexpr char DriveDelim = '\0';
// "dir/name.ext" -> "name.ext"; ExtractFilePath keeps the trailing delimiter ("dir/"),
// ExtractFileDir drops it ("dir", but "/" for the root); ExtractFileExt gives ".ext" (from
// the last dot of the name part) or "" (a name whose only dot leads, ".profile", has none).
String ExtractFileName(const String& path);
String ExtractFilePath(const String& path);
String ExtractFileDir(const String& path);
String ExtractFileExt(const String& path);
// Replaces (or adds, or with "" removes) the extension of the name part.
String ChangeFileExt(const String& path, const String& extension);
String IncludeTrailingPathDelimiter(const String& path);
String ExcludeTrailingPathDelimiter(const String& path);
// True for an existing regular file (following links) / an existing directory.
bool FileExists(const String& path);
bool DirectoryExists(const String& path);
// Creates one directory (its parent must exist); false when it cannot (it exists already, or
// the parent is missing).
bool CreateDir(const String& dir);
