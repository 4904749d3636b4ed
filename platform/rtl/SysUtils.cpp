// Format settings from ICU locales, strings, integers, UTF-8 stepping, quoting and file names.
#include "rtl/SysUtils.h"

#include <sys/stat.h>
#include <unicode/calendar.h>
#include <unicode/coll.h>
#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace {

String ToUtf8(const icu::UnicodeString& u) {
  String r;
  u.toUTF8String(r);
  return r;
}

icu::UnicodeString FromUtf8(const String& s) { return icu::UnicodeString::fromUTF8(s); }

// The one ASCII character that stands for a locale's separator.
char AsciiSeparator(const icu::UnicodeString& u, char fallback) {
  if (u.length() == 0) return '\0';
  UChar32 c = u.char32At(0);
  if (c < 0x80) return char(c);
  switch (c) {
    case 0x00A0: case 0x202F: case 0x2009: case 0x2007: return ' ';
    case 0x2019: case 0x02BC: return '\'';
    case 0x066B: return '.';
    case 0x066C: return ',';
    default: return fallback;
  }
}

// Converts a date/time pattern of ICU into the platform's pattern language.
String ConvertIcuPattern(const icu::UnicodeString& pattern, bool widen_year) {
  String src = ToUtf8(pattern), out;
  for (size_t i = 0; i < src.size();) {
    char c = src[i];
    if (c == '\'') {
      // Quoted literal; '' is a quote.
      size_t j = i + 1;
      String lit;
      if (j < src.size() && src[j] == '\'') {
        out += "\"'\"";
        i = j + 1;
        continue;
      }
      while (j < src.size()) {
        if (src[j] == '\'') {
          if (j + 1 < src.size() && src[j + 1] == '\'') { lit += '\''; j += 2; continue; }
          break;
        }
        lit += src[j++];
      }
      if (!lit.empty()) out += "\"" + lit + "\"";
      i = j + 1;
      continue;
    }
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      size_t n = 1;
      while (i + n < src.size() && src[i + n] == c) ++n;
      i += n;
      switch (c) {
        case 'y': case 'Y': case 'u':
          out += (n == 2 && !widen_year) ? "yy" : "yyyy";
          break;
        case 'M': case 'L':
          out += String(n > 4 ? 4 : n, 'M');
          break;
        case 'd':
          out += n >= 2 ? "dd" : "d";
          break;
        case 'E': case 'c': case 'e':
          out += n >= 4 ? "dddd" : "ddd";
          break;
        case 'h': case 'H': case 'k': case 'K':
          out += n >= 2 ? "hh" : "h";
          break;
        case 'm':
          out += n >= 2 ? "nn" : "n";
          break;
        case 's':
          out += n >= 2 ? "ss" : "s";
          break;
        case 'S':
          out += "zzz";
          break;
        case 'a': case 'b': case 'B':
          out += "AMPM";
          break;
        case 'G':
          out += "gg";
          break;
        default:
          break;  // time zones, quarters, week numbers: not part of the platform's patterns
      }
      continue;
    }
    // Direction marks carry no text; the date parser would stumble over them.
    if (src.compare(i, 3, "\u200E") == 0 || src.compare(i, 3, "\u200F") == 0) {
      i += 3;
      continue;
    }
    if (src.compare(i, 2, "\u061C") == 0) {
      i += 2;
      continue;
    }
    // Locale spaces become plain spaces.
    if (src.compare(i, 3, "\u202F") == 0 || src.compare(i, 3, "\u2009") == 0) {
      out += ' ';
      i += 3;
      continue;
    }
    if (src.compare(i, 2, "\u00A0") == 0) {
      out += ' ';
      i += 2;
      continue;
    }
    out += c;
    ++i;
  }
  // Trim blanks left behind by dropped fields.
  while (!out.empty() && out.back() == ' ') out.pop_back();
  while (!out.empty() && out.front() == ' ') out.erase(0, 1);
  return out;
}

// The first character between date fields of a converted pattern.
char SeparatorOf(const String& pattern, char fallback) {
  bool seen_field = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c == '"') {
      size_t j = pattern.find('"', i + 1);
      if (seen_field && j != String::npos && j == i + 2) return pattern[i + 1];
      if (j == String::npos) break;
      i = j;
      continue;
    }
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (letter) seen_field = true;
    else if (seen_field && c != ' ' && c != ',' && uint8_t(c) < 0x80) return c;
  }
  return fallback;
}

// Describes a currency pattern in the platform's notation ("$1", "1 $", "($1)", "-$ 1").
String CurrencyShape(const String& pattern) {
  String shape;
  bool number_done = false;
  for (size_t i = 0; i < pattern.size();) {
    unsigned char c = pattern[i];
    if (pattern.compare(i, 2, "\u00A4") == 0) { shape += '$'; i += 2; continue; }
    if (pattern.compare(i, 2, "\u00A0") == 0 || pattern.compare(i, 3, "\u202F") == 0 || c == ' ') {
      shape += ' ';
      i += c == ' ' ? 1 : (pattern.compare(i, 2, "\u00A0") == 0 ? 2 : 3);
      continue;
    }
    if (c == '#' || c == '0' || c == ',' || c == '.' || (c >= '1' && c <= '9')) {
      if (!number_done) shape += '1';
      number_done = true;
      while (i < pattern.size() && strchr("#0123456789,.", pattern[i])) ++i;
      continue;
    }
    if (c == '-' || c == '(' || c == ')') shape += char(c);
    ++i;
  }
  return shape;
}

void FillCurrency(TFormatSettings& f, const icu::Locale& loc) {
  UErrorCode st = U_ZERO_ERROR;
  std::unique_ptr<icu::NumberFormat> nf(icu::NumberFormat::createCurrencyInstance(loc, st));
  auto* df = dynamic_cast<icu::DecimalFormat*>(nf.get());
  if (U_FAILURE(st) || df == nullptr) return;
  icu::UnicodeString pat;
  df->toPattern(pat);
  String p = ToUtf8(pat);
  String pos = p, neg;
  size_t semi = p.find(';');
  if (semi != String::npos) {
    pos = p.substr(0, semi);
    neg = p.substr(semi + 1);
  }
  static const char* const kPos[] = {"$1", "1$", "$ 1", "1 $"};
  String ps = CurrencyShape(pos);
  for (int i = 0; i < 4; ++i)
    if (ps == kPos[i]) f.CurrencyFormat = Byte(i);
  static const char* const kNeg[] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)", "-1$",  "1-$",   "1$-",
                                     "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
  static const Byte kDefaultNeg[] = {1, 5, 9, 8};
  f.NegCurrFormat = kDefaultNeg[f.CurrencyFormat];
  if (!neg.empty()) {
    String ns = CurrencyShape(neg);
    for (int i = 0; i < 16; ++i)
      if (ns == kNeg[i]) f.NegCurrFormat = Byte(i);
  }
  f.CurrencyDecimals = Byte(df->getMinimumFractionDigits());
  f.CurrencyString = ToUtf8(df->getDecimalFormatSymbols()->getSymbol(icu::DecimalFormatSymbols::kCurrencySymbol));
}

void FillNames(TFormatSettings& f, const icu::Locale& loc) {
  UErrorCode st = U_ZERO_ERROR;
  icu::DateFormatSymbols sym(loc, st);
  if (U_FAILURE(st)) return;
  int32_t n = 0;
  const icu::UnicodeString* m =
      sym.getMonths(n, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::WIDE);
  for (int i = 0; i < 12 && i < n; ++i) f.LongMonthNames[i] = ToUtf8(m[i]);
  m = sym.getMonths(n, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::ABBREVIATED);
  for (int i = 0; i < 12 && i < n; ++i) f.ShortMonthNames[i] = ToUtf8(m[i]);
  // Weekday arrays of ICU start with an empty entry, then Sunday.
  const icu::UnicodeString* d =
      sym.getWeekdays(n, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::WIDE);
  for (int i = 0; i < 7 && i + 1 < n; ++i) f.LongDayNames[i] = ToUtf8(d[i + 1]);
  d = sym.getWeekdays(n, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::ABBREVIATED);
  for (int i = 0; i < 7 && i + 1 < n; ++i) f.ShortDayNames[i] = ToUtf8(d[i + 1]);
  const icu::UnicodeString* ap = sym.getAmPmStrings(n);
  if (n >= 2) {
    f.TimeAMString = ToUtf8(ap[0]);
    f.TimePMString = ToUtf8(ap[1]);
  }
}

icu::UnicodeString IcuPatternOf(icu::DateFormat::EStyle date_style, icu::DateFormat::EStyle time_style,
                                const icu::Locale& loc) {
  std::unique_ptr<icu::DateFormat> df(icu::DateFormat::createDateTimeInstance(date_style, time_style, loc));
  auto* sdf = dynamic_cast<icu::SimpleDateFormat*>(df.get());
  icu::UnicodeString p;
  if (sdf != nullptr) sdf->toPattern(p);
  return p;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Format settings

TFormatSettings TFormatSettings::EnglishUS() {
  TFormatSettings f;
  f.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  f.LongMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                      "July",    "August",   "September", "October", "November", "December"};
  f.ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  f.LongDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  return f;
}

TFormatSettings TFormatSettings::FromLocale(const String& locale_name) {
  TFormatSettings f = EnglishUS();
  icu::Locale loc(locale_name.c_str());
  UErrorCode st = U_ZERO_ERROR;
  icu::DecimalFormatSymbols sym(loc, st);
  if (U_SUCCESS(st)) {
    f.DecimalSeparator =
        AsciiSeparator(sym.getSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol), '.');
    f.ThousandSeparator =
        AsciiSeparator(sym.getSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol), ' ');
    if (f.ThousandSeparator == f.DecimalSeparator) f.ThousandSeparator = f.DecimalSeparator == ',' ? '.' : ',';
  }
  f.ListSeparator = f.DecimalSeparator == ',' ? ';' : ',';
  FillCurrency(f, loc);
  FillNames(f, loc);
  using DF = icu::DateFormat;
  f.ShortDateFormat = ConvertIcuPattern(IcuPatternOf(DF::kShort, DF::kNone, loc), true);
  f.LongDateFormat = ConvertIcuPattern(IcuPatternOf(DF::kFull, DF::kNone, loc), false);
  f.ShortTimeFormat = ConvertIcuPattern(IcuPatternOf(DF::kNone, DF::kShort, loc), false);
  f.LongTimeFormat = ConvertIcuPattern(IcuPatternOf(DF::kNone, DF::kMedium, loc), false);
  f.DateSeparator = SeparatorOf(f.ShortDateFormat, '/');
  f.TimeSeparator = SeparatorOf(f.LongTimeFormat, ':');
  st = U_ZERO_ERROR;
  std::unique_ptr<icu::Calendar> cal(icu::Calendar::createInstance(loc, st));
  if (U_SUCCESS(st)) {
    // ICU counts Sunday as 1; the platform's locale value counts Monday as 0.
    f.FirstDayOfWeek = Byte((int(cal->getFirstDayOfWeek(st)) + 5) % 7);
    uint8_t minimal = cal->getMinimalDaysInFirstWeek();
    f.FirstWeekOfYear = minimal >= 7 ? 1 : (minimal >= 4 ? 2 : 0);
  }
  return f;
}

TFormatSettings TFormatSettings::Default() { return FromLocale(icu::Locale::getDefault().getName()); }

TFormatSettings FormatSettings = TFormatSettings::Default();

// ---------------------------------------------------------------------------------------------
// Trimming, case and comparison

String Trim(const String& s) { return TrimLeft(TrimRight(s)); }

String TrimLeft(const String& s) {
  size_t i = 0;
  while (i < s.size() && uint8_t(s[i]) <= ' ') ++i;
  return s.substr(i);
}

String TrimRight(const String& s) {
  size_t n = s.size();
  while (n > 0 && uint8_t(s[n - 1]) <= ' ') --n;
  return s.substr(0, n);
}

String UpperCase(const String& s) {
  String r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  return r;
}

String LowerCase(const String& s) {
  String r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
  return r;
}

String AnsiUpperCase(const String& s) {
  icu::UnicodeString u = FromUtf8(s);
  u.toUpper(icu::Locale::getRoot());
  return ToUtf8(u);
}

String AnsiLowerCase(const String& s) {
  icu::UnicodeString u = FromUtf8(s);
  u.toLower(icu::Locale::getRoot());
  return ToUtf8(u);
}

int CompareStr(const String& a, const String& b) {
  int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int CompareText(const String& a, const String& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    uint8_t x = uint8_t(a[i]), y = uint8_t(b[i]);
    if (x >= 'a' && x <= 'z') x = uint8_t(x - 32);
    if (y >= 'a' && y <= 'z') y = uint8_t(y - 32);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

namespace {
struct TCollators {
  std::mutex lock;
  String locale_name;
  bool initialised = false;
  std::unique_ptr<icu::Collator> with_case;

  void Load(const String& name) {
    UErrorCode st = U_ZERO_ERROR;
    icu::Locale loc(name.c_str());
    with_case.reset(icu::Collator::createInstance(loc, st));
    if (U_FAILURE(st) || !with_case) {
      st = U_ZERO_ERROR;
      with_case.reset(icu::Collator::createInstance(icu::Locale::getRoot(), st));
    }
    with_case->setStrength(icu::Collator::TERTIARY);
    locale_name = name;
    initialised = true;
  }
};

TCollators& Collators() {
  static TCollators c;
  return c;
}

int Collate(bool with_case, const String& a, const String& b) {
  TCollators& c = Collators();
  const icu::Collator* coll;
  {
    std::lock_guard<std::mutex> g(c.lock);
    if (!c.initialised) c.Load(icu::Locale::getDefault().getName());
    coll = c.with_case.get();
  }
  UErrorCode st = U_ZERO_ERROR;
  UCollationResult r;
  if (with_case) {
    r = coll->compareUTF8(a, b, st);
    if (r == UCOL_EQUAL && a != b) {
      // Texts the collation cannot tell apart (ignorable characters) still differ: order them
      // by code points so that the order is total, as a sort needs.
      return CompareStr(a, b);
    }
  } else {
    // Case folded first, so that only case is ignored; accents, width and kana type count.
    icu::UnicodeString x = FromUtf8(a), y = FromUtf8(b);
    x.foldCase();
    y.foldCase();
    r = coll->compare(x, y, st);
  }
  return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

const icu::Collator* CurrentCollator() {
  TCollators& c = Collators();
  std::lock_guard<std::mutex> g(c.lock);
  if (!c.initialised) c.Load(icu::Locale::getDefault().getName());
  return c.with_case.get();
}
}  // namespace

std::string AnsiTextKey(const String& s) {
  // The sort key of the case-folded text: sort keys compare as the collation compares.
  const icu::Collator* coll = CurrentCollator();
  icu::UnicodeString x = FromUtf8(s);
  x.foldCase();
  std::string key(64, '\0');
  int32_t n = coll->getSortKey(x, reinterpret_cast<uint8_t*>(key.data()), int32_t(key.size()));
  if (n > int32_t(key.size())) {
    key.resize(size_t(n));
    n = coll->getSortKey(x, reinterpret_cast<uint8_t*>(key.data()), int32_t(key.size()));
  }
  key.resize(size_t(n));
  return key;
}

int AnsiCompareStr(const String& a, const String& b) { return Collate(true, a, b); }
int AnsiCompareText(const String& a, const String& b) { return Collate(false, a, b); }
bool SameStr(const String& a, const String& b) { return a == b; }
bool SameText(const String& a, const String& b) { return a.size() == b.size() && CompareText(a, b) == 0; }
bool AnsiSameStr(const String& a, const String& b) { return AnsiCompareStr(a, b) == 0; }
bool AnsiSameText(const String& a, const String& b) { return AnsiCompareText(a, b) == 0; }

void SetCollationLocale(const String& locale_name) {
  TCollators& c = Collators();
  std::lock_guard<std::mutex> g(c.lock);
  c.Load(locale_name);
}

String CollationLocale() {
  TCollators& c = Collators();
  std::lock_guard<std::mutex> g(c.lock);
  if (!c.initialised) c.Load(icu::Locale::getDefault().getName());
  return c.locale_name;
}

// ---------------------------------------------------------------------------------------------
// Positions and substrings

Integer Pos(const String& sub, const String& s) {
  if (sub.empty()) return 0;
  size_t p = s.find(sub);
  return p == String::npos ? 0 : Integer(p + 1);
}

String Copy(const String& s, Integer index, Integer count) {
  if (index < 1) index = 1;
  if (count <= 0 || size_t(index) > s.size()) return "";
  return s.substr(size_t(index - 1), size_t(count));
}

String Copy(const String& s, Integer index) {
  if (index < 1) index = 1;
  if (size_t(index) > s.size()) return "";
  return s.substr(size_t(index - 1));
}

namespace {
// Simple case folding of one code point.
char32_t Fold(char32_t c) { return char32_t(u_foldCase(UChar32(c), U_FOLD_CASE_DEFAULT)); }

// Length in bytes of the match of pattern at offset pos of s under case folding, or 0.
size_t MatchFolded(const String& s, size_t pos, const String& pattern) {
  size_t i = pos, j = 0;
  while (j < pattern.size()) {
    if (i >= s.size()) return 0;
    char32_t a = DecodeUtf8(s, i), b = DecodeUtf8(pattern, j);
    if (a != b && Fold(a) != Fold(b)) return 0;
  }
  return i - pos;
}
}  // namespace

String StringReplace(const String& s, const String& old_pattern, const String& new_pattern,
                     TReplaceFlags flags) {
  if (old_pattern.empty()) return s;
  bool all = flags.Contains(rfReplaceAll);
  String out;
  if (!flags.Contains(rfIgnoreCase)) {
    size_t from = 0;
    while (true) {
      size_t p = s.find(old_pattern, from);
      if (p == String::npos) break;
      out.append(s, from, p - from);
      out += new_pattern;
      from = p + old_pattern.size();
      if (!all) break;
    }
    out.append(s, from, String::npos);
    return out;
  }
  size_t i = 0;
  bool done = false;
  while (i < s.size()) {
    size_t n = done ? 0 : MatchFolded(s, i, old_pattern);
    if (n > 0) {
      out += new_pattern;
      i += n;
      if (!all) done = true;
      continue;
    }
    size_t start = i;
    DecodeUtf8(s, i);
    out.append(s, start, i - start);
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// UTF-8 stepping

size_t Utf8SequenceLength(std::string_view s, size_t i) {
  if (i >= s.size()) return 0;
  uint8_t c = uint8_t(s[i]);
  if (c < 0x80) return 1;
  size_t n;
  char32_t min;
  if (c >= 0xC2 && c <= 0xDF) { n = 2; min = 0x80; }
  else if (c >= 0xE0 && c <= 0xEF) { n = 3; min = 0x800; }
  else if (c >= 0xF0 && c <= 0xF4) { n = 4; min = 0x10000; }
  else return 1;
  if (i + n > s.size()) return 1;
  char32_t cp = c & (0xFF >> (n + 1));
  for (size_t k = 1; k < n; ++k) {
    uint8_t t = uint8_t(s[i + k]);
    if ((t & 0xC0) != 0x80) return 1;
    cp = (cp << 6) | (t & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 1;
  return n;
}

namespace {

// The 0-based start of the character that holds byte i.
size_t StartOf(std::string_view s, size_t i) {
  if (i >= s.size() || (uint8_t(s[i]) & 0xC0) != 0x80) return i;
  for (size_t k = 1; k <= 3 && k <= i; ++k) {
    size_t j = i - k;
    if ((uint8_t(s[j]) & 0xC0) != 0x80) return Utf8SequenceLength(s, j) > k ? j : i;
  }
  return i;
}
}  // namespace

char32_t DecodeUtf8(std::string_view s, size_t& offset) {
  size_t n = Utf8SequenceLength(s, offset);
  if (n == 0) return 0;
  uint8_t c = uint8_t(s[offset]);
  if (n == 1) {
    ++offset;
    return c < 0x80 ? char32_t(c) : char32_t(0xFFFD);
  }
  char32_t cp = c & (0xFF >> (n + 1));
  for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (uint8_t(s[offset + k]) & 0x3F);
  offset += n;
  return cp;
}

void AppendUtf8(String& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

TMbcsByteType ByteType(const String& s, Integer index) {
  if (index < 1 || size_t(index) > s.size()) return mbSingleByte;
  size_t i = size_t(index - 1);
  size_t start = StartOf(s, i);
  if (start != i) return mbTrailByte;
  return Utf8SequenceLength(s, i) > 1 ? mbLeadByte : mbSingleByte;
}

Integer CharLength(const String& s, Integer index) {
  if (index < 1) return 0;
  return Integer(Utf8SequenceLength(s, size_t(index - 1)));
}

Integer NextCharIndex(const String& s, Integer index) {
  Integer n = CharLength(s, index);
  return index + (n > 0 ? n : 1);
}

Integer PrevCharIndex(const String& s, Integer index) {
  if (index <= 1) return 1;
  size_t i = size_t(index - 2);  // 0-based offset of the byte before index
  if (i >= s.size()) return index - 1;
  return Integer(StartOf(s, i) + 1);
}

Integer CharCount(const String& s) {
  Integer n = 0;
  for (size_t i = 0; i < s.size(); i += Utf8SequenceLength(s, i)) ++n;
  return n;
}

Integer ElementToCharLen(const String& s, Integer max_len) {
  Integer n = 0;
  size_t limit = max_len < 0 ? 0 : std::min(size_t(max_len), s.size());
  for (size_t i = 0; i < limit; i += Utf8SequenceLength(s, i)) ++n;
  return n;
}

Integer ElementToCharIndex(const String& s, Integer index) {
  if (index < 1 || size_t(index) > s.size()) return 0;
  Integer n = 0;
  size_t target = size_t(index - 1);
  for (size_t i = 0; i < s.size(); i += Utf8SequenceLength(s, i)) {
    ++n;
    if (i + Utf8SequenceLength(s, i) > target) return n;
  }
  return 0;
}

Integer CharToElementLen(const String& s, Integer max_chars) {
  size_t i = 0;
  for (Integer n = 0; n < max_chars && i < s.size(); ++n) i += Utf8SequenceLength(s, i);
  return Integer(i);
}

Integer CharToElementIndex(const String& s, Integer char_index) {
  if (char_index < 1) return 0;
  size_t i = 0;
  for (Integer n = 1; n < char_index && i < s.size(); ++n) i += Utf8SequenceLength(s, i);
  return i < s.size() ? Integer(i + 1) : 0;
}

String CopyChars(const String& s, Integer char_index, Integer count) {
  if (char_index < 1) char_index = 1;
  if (count <= 0) return "";
  size_t i = 0;
  for (Integer n = 1; n < char_index && i < s.size(); ++n) i += Utf8SequenceLength(s, i);
  size_t j = i;
  for (Integer n = 0; n < count && j < s.size(); ++n) j += Utf8SequenceLength(s, j);
  return s.substr(i, j - i);
}

// ---------------------------------------------------------------------------------------------
// Quoting, lists and identifiers

String QuotedStr(const String& s) { return AnsiQuotedStr(s, '\''); }

String AnsiQuotedStr(const String& s, char quote) {
  String r(1, quote);
  for (char c : s) {
    r += c;
    if (c == quote) r += quote;
  }
  r += quote;
  return r;
}

String AnsiExtractQuotedStr(const char*& p, char quote) {
  if (p == nullptr || *p != quote) return "";
  const char* q = p + 1;
  String r;
  while (*q) {
    if (*q == quote) {
      if (q[1] == quote) {
        r += quote;
        q += 2;
        continue;
      }
      ++q;  // past the closing quote
      p = q;
      return r;
    }
    r += *q++;
  }
  p = q;  // no closing quote: everything to the end
  return r;
}

String AnsiDequotedStr(const String& s, char quote) {
  const char* p = s.c_str();
  if (*p != quote) return s;
  String r = AnsiExtractQuotedStr(p, quote);
  // Only a string that is quoted as a whole is unquoted; anything else is kept as it is.
  bool closed = p > s.c_str() + 1 && p[-1] == quote && size_t(p - s.c_str()) == s.size();
  if (!closed || s.size() < 2) return s;
  return r;
}

std::vector<String> SplitString(const String& s, char separator) {
  std::vector<String> items;
  size_t from = 0;
  while (from <= s.size()) {
    size_t p = s.find(separator, from);
    if (p == String::npos) p = s.size();
    String item = Trim(s.substr(from, p - from));
    if (!item.empty()) items.push_back(item);
    from = p + 1;
  }
  return items;
}

String JoinStrings(const std::vector<String>& items, const String& separator) {
  String r;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) r += separator;
    r += items[i];
  }
  return r;
}

bool IsValidIdent(const String& s, bool allow_dots) {
  auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  auto alnum = [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); };
  if (s.empty()) return false;
  bool at_start = true;
  for (char c : s) {
    if (at_start) {
      if (!alpha(c)) return false;
      at_start = false;
    } else if (c == '.' && allow_dots) {
      at_start = true;
    } else if (!alnum(c)) {
      return false;
    }
  }
  return !at_start;
}

// ---------------------------------------------------------------------------------------------
// Integers

String IntToStr(Int64 value) { return std::to_string(value); }

String IntToHexBits(UInt64 bits, Integer digits) {
  static const char kHex[] = "0123456789ABCDEF";
  String r;
  do {
    r.insert(r.begin(), kHex[bits & 15]);
    bits >>= 4;
  } while (bits);
  if (digits > 16) digits = 16;
  if (Integer(r.size()) < digits) r.insert(0, size_t(digits) - r.size(), '0');
  return r;
}

namespace {
// Parses an integer text into the range min..max; hexadecimal texts may use the unsigned
// range of the type's width (`bits`) and are taken as two's complement.
bool ParseInteger(const String& s, Int64 min, Int64 max, int bits, Int64& out) {
  size_t i = 0, n = s.size();
  while (i < n && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool neg = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  bool hex = false;
  if (i < n && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return false;
  UInt64 v = 0;
  UInt64 limit = hex ? (bits == 64 ? ~UInt64(0) : ((UInt64(1) << bits) - 1))
                     : (neg ? UInt64(-(min + 1)) + 1 : UInt64(max));
  for (; i < n; ++i) {
    char c = s[i];
    unsigned d;
    if (c >= '0' && c <= '9') d = unsigned(c - '0');
    else if (hex && c >= 'a' && c <= 'f') d = unsigned(c - 'a' + 10);
    else if (hex && c >= 'A' && c <= 'F') d = unsigned(c - 'A' + 10);
    else return false;
    unsigned base = hex ? 16 : 10;
    if (v > (limit - d) / base) return false;
    v = v * base + d;
  }
  Int64 r;
  if (hex) {
    // Two's complement in the type's width.
    if (bits < 64 && v >= (UInt64(1) << (bits - 1))) r = Int64(v) - (Int64(1) << bits);
    else r = Int64(v);
    if (neg) {
      if (r == min) return false;
      r = -r;
    }
  } else {
    r = neg ? (v == UInt64(-(min + 1)) + 1 ? min : -Int64(v)) : Int64(v);
  }
  out = r;
  return true;
}

[[noreturn]] void InvalidInteger(const String& s) {
  throw EConvertError("'" + s + "' is not a valid integer value");
}
}  // namespace

bool TryStrToInt(const String& s, Integer& value) {
  Int64 v;
  if (!ParseInteger(s, INT32_MIN, INT32_MAX, 32, v)) return false;
  value = Integer(v);
  return true;
}

bool TryStrToInt64(const String& s, Int64& value) { return ParseInteger(s, INT64_MIN, INT64_MAX, 64, value); }

Integer StrToInt(const String& s) {
  Integer v;
  if (!TryStrToInt(s, v)) InvalidInteger(s);
  return v;
}

Int64 StrToInt64(const String& s) {
  Int64 v;
  if (!TryStrToInt64(s, v)) InvalidInteger(s);
  return v;
}

Integer StrToIntDef(const String& s, Integer def) {
  Integer v;
  return TryStrToInt(s, v) ? v : def;
}

Int64 StrToInt64Def(const String& s, Int64 def) {
  Int64 v;
  return TryStrToInt64(s, v) ? v : def;
}

// ---------------------------------------------------------------------------------------------
// File names

namespace {
size_t NameStart(const String& path) {
  size_t p = path.rfind(PathDelim);
  return p == String::npos ? 0 : p + 1;
}
// The offset of the extension's dot in the name part, or npos. A name that starts with its
// only dot (".profile") has no extension.
size_t ExtDot(const String& path) {
  size_t start = NameStart(path);
  size_t p = path.rfind('.');
  if (p == String::npos || p <= start) return String::npos;
  return p;
}
}  // namespace

String ExtractFileName(const String& path) { return path.substr(NameStart(path)); }
String ExtractFilePath(const String& path) { return path.substr(0, NameStart(path)); }

String ExtractFileDir(const String& path) {
  size_t start = NameStart(path);
  if (start == 0) return "";
  if (start == 1) return "/";  // the root keeps its delimiter
  return path.substr(0, start - 1);
}

String ExtractFileExt(const String& path) {
  size_t p = ExtDot(path);
  return p == String::npos ? "" : path.substr(p);
}

String ChangeFileExt(const String& path, const String& extension) {
  size_t p = ExtDot(path);
  return (p == String::npos ? path : path.substr(0, p)) + extension;
}

String IncludeTrailingPathDelimiter(const String& path) {
  if (!path.empty() && path.back() == PathDelim) return path;
  return path + PathDelim;
}

String ExcludeTrailingPathDelimiter(const String& path) {
  if (path.size() > 1 && path.back() == PathDelim) return path.substr(0, path.size() - 1);
  return path;
}

bool FileExists(const String& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const String& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const String& dir) { return !dir.empty() && mkdir(dir.c_str(), 0777) == 0; }
