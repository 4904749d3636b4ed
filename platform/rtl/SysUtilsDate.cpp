// Date encoding, decoding, formatting and parsing. A TDateTime is split into a calendar day
// (the whole part, toward zero) and a time of day (the absolute fraction), rounded to the
// millisecond once, so that every part of a value agrees (23:59:59.9999 is the next day).
#include <cmath>

#include "rtl/Clock.h"
#include "rtl/SysUtils.h"

const Word MonthDays[2][13] = {{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                               {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

namespace {

// Days since 1899-12-30 of a proleptic Gregorian date.
Int64 DaysFromCivil(Int64 y, unsigned m, unsigned d) {
  y -= m <= 2;
  Int64 era = (y >= 0 ? y : y - 399) / 400;
  unsigned yoe = unsigned(y - era * 400);
  unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + Int64(doe) - 719468 + 25569;  // 25569: 1970-01-01
}

void CivilFromDays(Int64 days, Int64& y, unsigned& m, unsigned& d) {
  Int64 z = days - 25569 + 719468;
  Int64 era = (z >= 0 ? z : z - 146096) / 146097;
  unsigned doe = unsigned(z - era * 146097);
  unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = Int64(yoe) + era * 400;
  unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

constexpr Int64 kMinDay = -693593;  // 0001-01-01
constexpr Int64 kMaxDay = 2958465;  // 9999-12-31

// The calendar day and the millisecond of the day of a value.
bool Split(TDateTime v, Int64& day, Int64& ms) {
  if (!std::isfinite(v) || v < double(kMinDay) - 1 || v > double(kMaxDay) + 1) return false;
  double whole = std::trunc(v);
  day = Int64(whole);
  ms = Int64(std::nearbyint(std::fabs(v - whole) * MSecsPerDay));
  if (ms >= MSecsPerDay) {
    ms -= MSecsPerDay;
    day += 1;
  }
  return true;
}

}  // namespace

bool IsLeapYear(Word year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  if (day > MonthDays[IsLeapYear(year)][month]) return false;
  date = double(DaysFromCivil(year, month, day));
  return true;
}

TDateTime EncodeDate(Word year, Word month, Word day) {
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d)) throw EConvertError("Invalid argument to date encode");
  return d;
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time) {
  if (hour == 24 && min == 0 && sec == 0 && msec == 0) {
    time = 1.0;
    return true;
  }
  if (hour > 23 || min > 59 || sec > 59 || msec > 999) return false;
  time = double(((Int64(hour) * 60 + min) * 60 + sec) * 1000 + msec) / MSecsPerDay;
  return true;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec) {
  TDateTime t;
  if (!TryEncodeTime(hour, min, sec, msec, t)) throw EConvertError("Invalid argument to time encode");
  return t;
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day) {
  Int64 d, ms;
  if (!Split(date, d, ms) || d < kMinDay || d > kMaxDay) {
    year = month = day = 0;
    return;
  }
  Int64 y;
  unsigned m, dd;
  CivilFromDays(d, y, m, dd);
  year = Word(y);
  month = Word(m);
  day = Word(dd);
}

void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec) {
  Int64 d, ms;
  if (!Split(time, d, ms)) {
    hour = min = sec = msec = 0;
    return;
  }
  msec = Word(ms % 1000);
  ms /= 1000;
  sec = Word(ms % 60);
  ms /= 60;
  min = Word(ms % 60);
  hour = Word(ms / 60);
}

Word DayOfWeek(TDateTime date) {
  Int64 d, ms;
  if (!Split(date, d, ms)) return 0;
  // 1899-12-30 was a Saturday (7).
  Int64 r = (d + 6) % 7;
  if (r < 0) r += 7;
  return Word(r + 1);
}

TDateTime ReplaceTime(TDateTime date, TDateTime time) {
  // Before 1899-12-30 the time counts away from zero too (-1.25 is 1899-12-29 06:00).
  double day = std::trunc(date);
  double t = std::fabs(time - std::trunc(time));
  return day >= 0 ? day + t : day - t;
}

TDateTime ReplaceDate(TDateTime date_time, TDateTime new_date) { return ReplaceTime(new_date, date_time); }

TDateTime IncMonth(TDateTime date, Integer months) {
  Word y, m, d;
  DecodeDate(date, y, m, d);
  if (y == 0) throw EConvertError("Invalid argument to date encode");
  Int64 total = Int64(y) * 12 + (m - 1) + months;
  Int64 ny = total / 12;
  Int64 nm = total % 12 + 1;
  if (ny < 1 || ny > 9999) throw EConvertError("Invalid argument to date encode");
  Word max = MonthDays[IsLeapYear(Word(ny))][nm];
  TDateTime r = EncodeDate(Word(ny), Word(nm), d > max ? max : d);
  return ReplaceTime(r, date);
}

TDateTime Now() { return Clock().Now(); }
TDateTime Date() { return std::floor(Clock().Now()); }
TDateTime Time() {
  double n = Clock().Now();
  return n - std::floor(n);
}

// ---------------------------------------------------------------------------------------------
// Formatting

namespace {

struct TDateParts {
  Word year = 0, month = 0, day = 0, hour = 0, min = 0, sec = 0, msec = 0, dow = 0;
  bool has_time = false;
};

TDateParts PartsOf(TDateTime v) {
  TDateParts p;
  DecodeDate(v, p.year, p.month, p.day);
  DecodeTime(v, p.hour, p.min, p.sec, p.msec);
  p.dow = DayOfWeek(v);
  p.has_time = p.hour || p.min || p.sec || p.msec;
  return p;
}

String Pad(unsigned v, int width) {
  String s = std::to_string(v);
  if (int(s.size()) < width) s.insert(0, size_t(width) - s.size(), '0');
  return s;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

bool StartsWithNoCase(const String& s, size_t i, const char* what) {
  for (size_t k = 0; what[k]; ++k)
    if (i + k >= s.size() || Lower(s[i + k]) != what[k]) return false;
  return true;
}

// Whether the pattern (outside quotes) holds an AM/PM marker, which makes "h" a 12-hour clock.
bool HasAmPm(const String& p) {
  char quote = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    char c = p[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (StartsWithNoCase(p, i, "am/pm") || StartsWithNoCase(p, i, "a/p") || StartsWithNoCase(p, i, "ampm")) {
      return true;
    }
  }
  return false;
}

void FormatInto(String& out, const String& p, const TDateParts& v, const TFormatSettings& fs, int depth) {
  if (depth > 3) return;  // a locale format that names itself
  bool twelve = HasAmPm(p);
  char last = 0;  // the last field letter, lower case: "m" after "h" means minutes
  for (size_t i = 0; i < p.size();) {
    char c = p[i];
    char lc = Lower(c);
    auto run = [&]() {
      size_t n = 1;
      while (i + n < p.size() && Lower(p[i + n]) == lc) ++n;
      return int(n);
    };
    if (c == '"' || c == '\'') {
      size_t j = p.find(c, i + 1);
      if (j == String::npos) j = p.size();
      out.append(p, i + 1, j - i - 1);
      i = j + 1;
      continue;
    }
    switch (lc) {
      case 'y': {
        int n = run();
        out += n <= 2 ? Pad(v.year % 100, 2) : Pad(v.year, 4);
        i += size_t(n);
        last = 'y';
        continue;
      }
      case 'm': {
        int n = run();
        if (last == 'h' && n <= 2) {
          out += Pad(v.min, n);
        } else if (n <= 2) {
          out += Pad(v.month, n);
        } else if (v.month >= 1) {
          out += n == 3 ? fs.ShortMonthNames[size_t(v.month - 1)] : fs.LongMonthNames[size_t(v.month - 1)];
        }
        i += size_t(n);
        last = 'm';
        continue;
      }
      case 'd': {
        int n = run();
        if (n <= 2) out += Pad(v.day, n);
        else if (n == 3 && v.dow) out += fs.ShortDayNames[size_t(v.dow - 1)];
        else if (n == 4 && v.dow) out += fs.LongDayNames[size_t(v.dow - 1)];
        else if (n == 5) FormatInto(out, fs.ShortDateFormat, v, fs, depth + 1);
        else if (n >= 6) FormatInto(out, fs.LongDateFormat, v, fs, depth + 1);
        i += size_t(n);
        last = 'd';
        continue;
      }
      case 'e': {
        int n = run();
        out += n == 1 ? std::to_string(v.year) : Pad(v.year, 2);
        i += size_t(n);
        last = 'e';
        continue;
      }
      case 'g': {
        int n = run();
        out += "AD";
        i += size_t(n);
        last = 'g';
        continue;
      }
      case 'h': {
        int n = run();
        unsigned h = v.hour;
        if (twelve) {
          h %= 12;
          if (h == 0) h = 12;
        }
        out += Pad(h, n >= 2 ? 2 : 1);
        i += size_t(n);
        last = 'h';
        continue;
      }
      case 'n': {
        int n = run();
        out += Pad(v.min, n >= 2 ? 2 : 1);
        i += size_t(n);
        last = 'n';
        continue;
      }
      case 's': {
        int n = run();
        out += Pad(v.sec, n >= 2 ? 2 : 1);
        i += size_t(n);
        last = 's';
        continue;
      }
      case 'z': {
        int n = run();
        out += Pad(v.msec, n >= 3 ? 3 : 1);
        i += size_t(n);
        last = 'z';
        continue;
      }
      case 't': {
        int n = run();
        FormatInto(out, n == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, v, fs, depth + 1);
        i += size_t(n);
        last = 't';
        continue;
      }
      case 'c': {
        int n = run();
        FormatInto(out, fs.ShortDateFormat, v, fs, depth + 1);
        if (v.has_time) {
          out += ' ';
          FormatInto(out, fs.LongTimeFormat, v, fs, depth + 1);
        }
        i += size_t(n);
        last = 'c';
        continue;
      }
      case 'a': {
        bool pm = v.hour >= 12;
        if (StartsWithNoCase(p, i, "am/pm")) {
          out.append(p, i + (pm ? 3 : 0), 2);  // in the case the pattern uses
          i += 5;
        } else if (StartsWithNoCase(p, i, "a/p")) {
          out += p[i + (pm ? 2 : 0)];
          i += 3;
        } else if (StartsWithNoCase(p, i, "ampm")) {
          out += pm ? fs.TimePMString : fs.TimeAMString;
          i += 4;
        } else {
          out += c;
          ++i;
        }
        continue;
      }
      case '/':
        if (fs.DateSeparator) out += fs.DateSeparator;
        ++i;
        continue;
      case ':':
        if (fs.TimeSeparator) out += fs.TimeSeparator;
        ++i;
        continue;
      default:
        out += c;
        ++i;
        continue;
    }
  }
}

}  // namespace

String FormatDateTime(const String& pattern, TDateTime value) { return FormatDateTime(pattern, value, FormatSettings); }
String FormatDateTime(const String& pattern, TDateTime value, const TFormatSettings& fs) {
  String out;
  FormatInto(out, pattern.empty() ? String("c") : pattern, PartsOf(value), fs, 0);
  return out;
}

String DateToStr(TDateTime date) { return DateToStr(date, FormatSettings); }
String DateToStr(TDateTime date, const TFormatSettings& fs) { return FormatDateTime("ddddd", date, fs); }
String TimeToStr(TDateTime time) { return TimeToStr(time, FormatSettings); }
String TimeToStr(TDateTime time, const TFormatSettings& fs) { return FormatDateTime("tt", time, fs); }
String DateTimeToStr(TDateTime value) { return DateTimeToStr(value, FormatSettings); }
String DateTimeToStr(TDateTime value, const TFormatSettings& fs) { return FormatDateTime("c", value, fs); }

// ---------------------------------------------------------------------------------------------
// Parsing

namespace {

struct TScanner {
  const String& s;
  size_t i = 0;

  void Blanks() {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  }
  bool AtEnd() const { return i >= s.size(); }
  // Up to `max_digits` digits; the count read goes to `len`.
  bool Number(int& value, int& len, int max_digits = 9) {
    Blanks();
    value = 0;
    len = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      if (len >= max_digits) return false;
      value = value * 10 + (s[i] - '0');
      ++i;
      ++len;
    }
    return len > 0;
  }
  bool Char(char c) {
    size_t mark = i;
    Blanks();
    if (c != '\0' && i < s.size() && s[i] == c) {
      ++i;
      return true;
    }
    i = mark;
    return false;
  }
  bool Text(const String& t) {
    if (t.empty() || i + t.size() > s.size()) return false;
    for (size_t k = 0; k < t.size(); ++k)
      if (Lower(s[i + k]) != Lower(t[k])) return false;
    i += t.size();
    return true;
  }
};

enum TDateOrder { doMDY, doDMY, doYMD };

TDateOrder OrderOf(const String& f) {
  for (char c : f) {
    char l = Lower(c);
    if (l == 'y') return doYMD;
    if (l == 'm') return doMDY;
    if (l == 'd') return doDMY;
  }
  return doMDY;
}

Word ExpandYear(int y, int len, const TFormatSettings& fs) {
  if (len > 2) return Word(y);
  Word cy, cm, cd;
  DecodeDate(Date(), cy, cm, cd);
  if (fs.TwoDigitYearCenturyWindow == 0) return Word(cy / 100 * 100 + y);
  int start = int(cy) - fs.TwoDigitYearCenturyWindow;  // the window's first year
  int r = start / 100 * 100 + y;
  if (r < start) r += 100;
  return Word(r);
}

bool ScanDate(TScanner& sc, const TFormatSettings& fs, TDateTime& out) {
  int n[3], len[3], count = 0;
  if (!sc.Number(n[0], len[0])) return false;
  count = 1;
  while (count < 3 && sc.Char(fs.DateSeparator)) {
    if (!sc.Number(n[count], len[count])) return false;
    ++count;
  }
  Word cy, cm, cd;
  DecodeDate(Date(), cy, cm, cd);
  int y = cy, m = cm, d = cd, ylen = 4;
  TDateOrder order = OrderOf(fs.ShortDateFormat);
  if (count == 1) {
    d = n[0];
    if (len[0] > 2) return false;
  } else if (count == 2) {
    if (order == doDMY) {
      d = n[0];
      m = n[1];
    } else {
      m = n[0];
      d = n[1];
    }
  } else {
    switch (order) {
      case doMDY: m = n[0]; d = n[1]; y = n[2]; ylen = len[2]; break;
      case doDMY: d = n[0]; m = n[1]; y = n[2]; ylen = len[2]; break;
      case doYMD: y = n[0]; ylen = len[0]; m = n[1]; d = n[2]; break;
    }
    if (y > 9999) return false;
    y = ExpandYear(y, ylen, fs);
  }
  if (m > 12 || d > 31) return false;
  return TryEncodeDate(Word(y), Word(m), Word(d), out);
}

bool ScanAmPm(TScanner& sc, const TFormatSettings& fs, int& which) {
  sc.Blanks();
  which = 0;
  if (sc.Text(fs.TimeAMString) || sc.Text("AM")) which = 1;
  else if (sc.Text(fs.TimePMString) || sc.Text("PM")) which = 2;
  return which != 0;
}

bool ScanTime(TScanner& sc, const TFormatSettings& fs, TDateTime& out) {
  int ampm = 0;
  // The marker may also stand first ("PM 10:30", as some locales write it).
  ScanAmPm(sc, fs, ampm);
  int h, m = 0, s = 0, z = 0, len;
  if (!sc.Number(h, len, 2)) return false;
  if (sc.Char(fs.TimeSeparator)) {
    if (!sc.Number(m, len, 2)) return false;
    if (sc.Char(fs.TimeSeparator)) {
      if (!sc.Number(s, len, 2)) return false;
      if (sc.i < sc.s.size() && sc.s[sc.i] == fs.DecimalSeparator) {
        ++sc.i;
        if (!sc.Number(z, len, 3)) return false;
        // ".25" is 250 milliseconds.
        for (; len < 3; ++len) z *= 10;
      }
    }
  }
  if (ampm == 0) ScanAmPm(sc, fs, ampm);
  if (ampm) {
    if (h == 0 || h > 12) return false;
    if (ampm == 1 && h == 12) h = 0;
    if (ampm == 2 && h < 12) h += 12;
  }
  if (h > 23) return false;
  return TryEncodeTime(Word(h), Word(m), Word(s), Word(z), out);
}

bool Finished(TScanner& sc) {
  sc.Blanks();
  return sc.AtEnd();
}

}  // namespace

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

bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& fs) {
  TScanner sc{s};
  TDateTime d;
  if (!ScanDate(sc, fs, d) || !Finished(sc)) return false;
  value = d;
  return true;
}

bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& fs) {
  TScanner sc{s};
  TDateTime t;
  if (!ScanTime(sc, fs, t) || !Finished(sc)) return false;
  value = t;
  return true;
}

bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& fs) {
  TScanner sc{s};
  TDateTime d, t = 0;
  if (ScanDate(sc, fs, d)) {
    size_t after_date = sc.i;
    if (Finished(sc)) {
      value = d;
      return true;
    }
    // The time follows after at least one blank.
    sc.i = after_date;
    if (sc.i < s.size() && (s[sc.i] == ' ' || s[sc.i] == '\t') && ScanTime(sc, fs, t) && Finished(sc)) {
      value = ReplaceTime(d, t);
      return true;
    }
  }
  return TryStrToTime(s, value, fs);
}
