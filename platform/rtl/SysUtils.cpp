// Format settings, strings, integers, UTF-8 stepping, quoting and file names.
#include "rtl/SysUtils.h"

#define KORVAN_TODO throw Exception("not implemented yet")

TFormatSettings TFormatSettings::EnglishUS() {
  TFormatSettings f;
  f.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  f.LongMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                      "July",    "August",   "September", "October", "November", "December"};
  f.ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  f.LongDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  return f;
}
TFormatSettings TFormatSettings::FromLocale(const String& locale_name) { return EnglishUS(); }
TFormatSettings TFormatSettings::Default() { return EnglishUS(); }
TFormatSettings FormatSettings = TFormatSettings::Default();

String Trim(const String& s) { KORVAN_TODO; }
String TrimLeft(const String& s) { KORVAN_TODO; }
String TrimRight(const String& s) { KORVAN_TODO; }
String UpperCase(const String& s) { KORVAN_TODO; }
String LowerCase(const String& s) { KORVAN_TODO; }
String AnsiUpperCase(const String& s) { KORVAN_TODO; }
String AnsiLowerCase(const String& s) { KORVAN_TODO; }
int CompareStr(const String& a, const String& b) { KORVAN_TODO; }
int CompareText(const String& a, const String& b) { KORVAN_TODO; }
bool SameStr(const String& a, const String& b) { return a == b; }
bool SameText(const String& a, const String& b) { return CompareText(a, b) == 0; }
int AnsiCompareStr(const String& a, const String& b) { KORVAN_TODO; }
int AnsiCompareText(const String& a, const String& b) { KORVAN_TODO; }
bool AnsiSameStr(const String& a, const String& b) { return AnsiCompareStr(a, b) == 0; }
bool AnsiSameText(const String& a, const String& b) { return AnsiCompareText(a, b) == 0; }
void SetCollationLocale(const String& locale_name) { KORVAN_TODO; }
String CollationLocale() { KORVAN_TODO; }
Integer Pos(const String& sub, const String& s) { KORVAN_TODO; }
String Copy(const String& s, Integer index, Integer count) { KORVAN_TODO; }
String Copy(const String& s, Integer index) { KORVAN_TODO; }
String StringReplace(const String& s, const String& old_pattern, const String& new_pattern,
                     TReplaceFlags flags) { KORVAN_TODO; }
TMbcsByteType ByteType(const String& s, Integer index) { KORVAN_TODO; }
Integer CharLength(const String& s, Integer index) { KORVAN_TODO; }
Integer NextCharIndex(const String& s, Integer index) { KORVAN_TODO; }
Integer PrevCharIndex(const String& s, Integer index) { KORVAN_TODO; }
Integer CharCount(const String& s) { KORVAN_TODO; }
Integer ElementToCharLen(const String& s, Integer max_len) { KORVAN_TODO; }
Integer ElementToCharIndex(const String& s, Integer index) { KORVAN_TODO; }
Integer CharToElementLen(const String& s, Integer max_chars) { KORVAN_TODO; }
Integer CharToElementIndex(const String& s, Integer char_index) { KORVAN_TODO; }
String CopyChars(const String& s, Integer char_index, Integer count) { KORVAN_TODO; }
char32_t DecodeUtf8(std::string_view s, size_t& offset) { KORVAN_TODO; }
void AppendUtf8(String& out, char32_t code_point) { KORVAN_TODO; }
String QuotedStr(const String& s) { return AnsiQuotedStr(s, '\''); }
String AnsiQuotedStr(const String& s, char quote) { KORVAN_TODO; }
String AnsiExtractQuotedStr(const char*& p, char quote) { KORVAN_TODO; }
String AnsiDequotedStr(const String& s, char quote) { KORVAN_TODO; }
std::vector<String> SplitString(const String& s, char separator) { KORVAN_TODO; }
String JoinStrings(const std::vector<String>& items, const String& separator) { KORVAN_TODO; }
bool IsValidIdent(const String& s, bool allow_dots) { KORVAN_TODO; }
String IntToStr(Int64 value) { return std::to_string(value); }
String IntToHex(Int64 value, Integer digits) { KORVAN_TODO; }
Integer StrToInt(const String& s) { KORVAN_TODO; }
Int64 StrToInt64(const String& s) { KORVAN_TODO; }
Integer StrToIntDef(const String& s, Integer def) { KORVAN_TODO; }
Int64 StrToInt64Def(const String& s, Int64 def) { KORVAN_TODO; }
bool TryStrToInt(const String& s, Integer& value) { KORVAN_TODO; }
bool TryStrToInt64(const String& s, Int64& value) { KORVAN_TODO; }
String ExtractFileName(const String& path) { KORVAN_TODO; }
String ExtractFilePath(const String& path) { KORVAN_TODO; }
String ExtractFileDir(const String& path) { KORVAN_TODO; }
String ExtractFileExt(const String& path) { KORVAN_TODO; }
String ChangeFileExt(const String& path, const String& extension) { KORVAN_TODO; }
String IncludeTrailingPathDelimiter(const String& path) { KORVAN_TODO; }
String ExcludeTrailingPathDelimiter(const String& path) { KORVAN_TODO; }
bool FileExists(const String& path) { KORVAN_TODO; }
bool DirectoryExists(const String& path) { KORVAN_TODO; }
