#include "editors/cxDateUtils.h"

#include <algorithm>
#include <cmath>

#include "editors/cxFormats.h"
#include "foundation/cxClasses.h"

const TDateTime MinDateValue = -657434.0;  // 0100-01-01

namespace {

const TcxResourceStringRec dateWordRecs[cxDateWordCount] = {
    {"cxSDateToday", "today"},       {"cxSDateYesterday", "yesterday"},
    {"cxSDateTomorrow", "tomorrow"}, {"cxSDateSunday", "Sunday"},
    {"cxSDateMonday", "Monday"},     {"cxSDateTuesday", "Tuesday"},
    {"cxSDateWednesday", "Wednesday"}, {"cxSDateThursday", "Thursday"},
    {"cxSDateFriday", "Friday"},     {"cxSDateSaturday", "Saturday"},
    {"cxSDateFirst", "first"},       {"cxSDateSecond", "second"},
    {"cxSDateThird", "third"},       {"cxSDateFourth", "fourth"},
    {"cxSDateFifth", "fifth"},       {"cxSDateSixth", "sixth"},
    {"cxSDateSeventh", "seventh"},   {"cxSDateBOM", "bom"},
    {"cxSDateEOM", "eom"},           {"cxSDateNow", "now"},
};

// The last day the editors accept: 9999-12-31.
constexpr double kMaxDateDay = 2958465.0;

Integer TruncDay(TDateTime d) { return Integer(std::trunc(d)); }

bool InDateRange(TDateTime d) {
  return std::isfinite(d) && d > -2147483648.0 && d < 2147483647.0 &&
         std::trunc(d) >= -693593.0 && std::trunc(d) <= kMaxDateDay;
}

TDateTime WeekStartOf(TDateTime d, Integer first_day) {
  const Integer wrapped = ((Integer(DayOfWeek(d)) - 1 - first_day) % 7 + 7) % 7;
  return TDateTime(TruncDay(d) - wrapped);
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

String CollapseBlanks(const String& text) {
  String result;
  bool in_blank = false;
  for (char c : text) {
    if (IsBlank(c)) {
      if (!in_blank) result += ' ';
      in_blank = true;
    } else {
      result += c;
      in_blank = false;
    }
  }
  return result;
}

// The locale's lenient date conversion: the text as it stands, else with blanks between the
// parts of the date read as date separators.
bool LocaleStrToDateTime(const String& text, TDateTime& date) {
  if (TryStrToDateTime(text, date, FormatSettings)) return true;
  TFormatSettings settings = FormatSettings;
  if (settings.DateSeparator == ' ') return false;
  // "12 25 2024 10:30" -> the date parts joined by the separator, the time after a blank.
  std::vector<String> parts;
  String part;
  for (char c : text) {
    if (c == ' ') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  if (parts.size() < 2) return false;
  String joined;
  size_t k = 0;
  for (; k < parts.size() && k < 3; ++k) {
    if (parts[k].find(settings.TimeSeparator) != String::npos) break;
    if (k > 0) joined += settings.DateSeparator;
    joined += parts[k];
  }
  for (; k < parts.size(); ++k) joined += " " + parts[k];
  return TryStrToDateTime(joined, date, settings);
}

}  // namespace

String QuoteRegExprMaskText(const String& word) {
  String result;
  bool open = false;
  for (char c : word) {
    if (c == '\'') {
      if (open) { result += '\''; open = false; }
      result += "\\'";
    } else {
      if (!open) { result += '\''; open = true; }
      result += c;
    }
  }
  if (open) result += '\'';
  return result;
}

String DateWordText(TcxDateWord word) {
  return LoadReplaceableResString(dateWordRecs[int(word)]);
}

void MonthBack(Integer& year, Integer& month) {
  if (month <= 1) {
    --year;
    month = 12;
  } else {
    --month;
  }
}

void MonthForward(Integer& year, Integer& month) {
  if (month >= 12) {
    ++year;
    month = 1;
  } else {
    ++month;
  }
}

void MoveMonths(Integer& year, Integer& month, Integer delta) {
  year += delta / 12;
  month += delta % 12;
  if (month <= 0) {
    --year;
    month += 12;
  } else if (month > 12) {
    ++year;
    month -= 12;
  }
}

Integer DatePart(Integer kind, TDateTime date) {
  Word y = 0, m = 0, d = 0;
  DecodeDate(date, y, m, d);
  return kind == 0 ? y : kind == 1 ? m : d;
}

bool IsGregorianLeapYear(Integer year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

Integer MonthLength(Integer year, Integer month) {
  if (month < 1 || month > 12) return 0;
  return MonthDays[IsGregorianLeapYear(year) ? 1 : 0][month];
}

Integer ClampDay(Integer year, Integer month, Integer day) {
  if (day <= 0) return 1;
  return std::min(day, MonthLength(year, month));
}

TDateTime TimeFractionOf(TDateTime date) { return date - std::trunc(date); }
TDateTime WholeDaysOf(TDateTime date) { return std::trunc(date); }

Integer WeekDayPosition(TDateTime date) {
  Integer p = Integer(DayOfWeek(date)) - GlobalFormatController()->FirstDayOfWeek() - 1;
  return p < 0 ? p + 7 : p;
}

Integer WeekNumber(Integer first_day, Integer rule, TDateTime date) {
  if (!InDateRange(date)) return 0;
  if (rule == 0)
    rule = StrToIntDef(LocaleString(LOCALE_IFIRSTWEEKOFYEAR, "0"), 0) + 1;
  Word year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  if (year == 0) return 0;
  const TDateTime jan1 = EncodeDate(year, 1, 1);
  TDateTime p = WeekStartOf(jan1, first_day);
  if (rule == 2 && p < jan1) p += 7;
  if (rule == 3 && p + 3 < jan1) p += 7;
  const Integer day_number = TruncDay(date);
  // Days before the first counted week belong to the last week of the previous year.
  if (day_number < p) {
    if (year <= 1) return 0;
    return WeekNumber(first_day, rule, jan1 - 1);
  }
  const Integer n = (day_number - Integer(p)) / 7 + 1;
  if (month == 12) {
    const TDateTime start = WeekStartOf(date, first_day);
    if (rule == 1 && start + 6 > EncodeDate(year, 12, 31)) return 1;
    if (rule == 3 && start + 3 > EncodeDate(year, 12, 31)) return 1;
  }
  return n;
}

bool ParseDateWordInput(const String& text, TDateTime& date) {
  std::vector<std::pair<String, int>> words;
  for (int k = 0; k < cxDateWordCount; ++k) words.emplace_back(DateWordText(TcxDateWord(k)), k);
  const String s = Trim(text);
  std::stable_sort(words.begin(), words.end(), [](const auto& a, const auto& b) {
    const Integer la = CharCount(a.first), lb = CharCount(b.first);
    if (la != lb) return la > lb;
    return AnsiCompareText(a.first, b.first) > 0;
  });
  int index = -1;
  Integer word_len = 0;
  for (const auto& [word, k] : words) {
    const Integer len = CharCount(word);
    if (len == 0 || len > CharCount(s)) continue;
    if (AnsiSameText(CopyChars(s, 1, len), word)) {
      index = k;
      word_len = len;
      break;
    }
  }
  if (index < 0) return false;
  const TDateTime today = std::trunc(Date());
  TDateTime result = today;
  if (index == dwYesterday) {
    result = today - 1;
  } else if (index == dwTomorrow) {
    result = today + 1;
  } else if (index >= dwSunday && index <= dwSaturday) {
    const Integer c = (index - 2) - Integer(DayOfWeek(today));
    result = c < 0 ? today + 7 + c : today + c;
  } else if (index >= dwFirst && index <= dwSeventh) {
    result = today - WeekDayPosition(today) + (index - dwFirst);
  } else if (index == dwBOM || index == dwEOM) {
    Word y = 0, m = 0, d = 0;
    DecodeDate(today, y, m, d);
    result = EncodeDate(y, m, index == dwBOM ? 1 : Word(MonthLength(y, m)));
  } else if (index == dwNow) {
    result = Now();
  }
  const String rest = Trim(s.substr(size_t(CharToElementLen(s, word_len))));
  if (rest.size() > 1 && (rest[0] == '+' || rest[0] == '-')) {
    Integer n = 0;
    if (TryStrToInt(Trim(rest.substr(1)), n)) result += rest[0] == '+' ? n : -double(n);
  }
  date = result;
  return true;
}

void PrepareDateText(String& text, bool use_locale_separators) {
  String tokens[4];
  if (use_locale_separators) {
    tokens[0] = LocaleString(LOCALE_SDATE, "/");
    tokens[1] = LocaleString(LOCALE_STIME, ":");
    tokens[2] = LocaleString(LOCALE_S1159, "am");
    tokens[3] = LocaleString(LOCALE_S2359, "pm");
  } else {
    tokens[0] = String(1, FormatSettings.DateSeparator);
    tokens[1] = String(1, FormatSettings.TimeSeparator);
    tokens[2] = FormatSettings.TimeAMString;
    tokens[3] = FormatSettings.TimePMString;
  }
  for (auto& t : tokens) t = AnsiUpperCase(Trim(t));
  auto* controller = GlobalFormatController();
  for (const TcxDateTimeFormatInfo* info : {&controller->DateItems(), &controller->TimeItems()}) {
    for (const auto& item : info->Items) {
      if (item.Kind != cxdtfkLiteral) continue;
      const String literal = AnsiUpperCase(Trim(item.Data));
      if (literal.empty() || std::find(std::begin(tokens), std::end(tokens), literal) != std::end(tokens))
        continue;
      text = StringReplace(text, literal, String(size_t(CharCount(literal)), ' '),
                           TReplaceFlags{rfReplaceAll, rfIgnoreCase});
    }
  }
  text = CollapseBlanks(Trim(text));
  if (use_locale_separators) {
    const char sep = LocaleChar(LOCALE_SDATE, '/');
    if (sep != '\0' && sep != ' ') std::replace(text.begin(), text.end(), sep, ' ');
  }
}

bool ParseDateInput(const String& text, TDateTime& date) {
  try {
    const String s = Trim(text);
    if (s.empty()) {
      date = NoDateValue;
      return false;
    }
    TDateTime d = NoDateValue;
    if (!ParseDateWordInput(s, d)) {
      String prepared = s;
      PrepareDateText(prepared, true);
      if (!LocaleStrToDateTime(prepared, d)) {
        date = NoDateValue;
        return false;
      }
    }
    // A time alone (day number 0) is no date.
    if (!InDateRange(d) || std::trunc(d) == 0) {
      date = NoDateValue;
      return false;
    }
    date = d;
    return true;
  } catch (...) {
    date = NoDateValue;
    return false;
  }
}

bool ConvertDateText(const String& text, bool use_locale, TDateTime& date) {
  date = NoDateValue;
  try {
    String prepared = text;
    PrepareDateText(prepared, use_locale);
    TDateTime d = 0;
    const bool ok = use_locale ? LocaleStrToDateTime(prepared, d)
                               : TryStrToDateTime(prepared, d, FormatSettings);
    if (!ok || !InDateRange(d)) return false;
    date = d;
    return true;
  } catch (...) {
    date = NoDateValue;
    return false;
  }
}

void FormatDateLocale(bool four_digit_year, String& text, TDateTime date) {
  text.clear();
  if (date == NoDateValue) return;
  String format = LocaleString(LOCALE_SSHORTDATE, FormatSettings.ShortDateFormat);
  if (four_digit_year) {
    const String lower = LowerCase(format);
    const size_t at = lower.find("yy");
    if (at != String::npos && lower.find("yyy") == String::npos)
      format.insert(at + 2, String(2, format[at]));
  }
  try {
    if (!InDateRange(date)) throw EConvertError("date out of range");
    text = FormatDateTime(format, date, FormatSettings);
    if (TimeFractionOf(date) != 0)
      text += " " + FormatDateTime(LocaleString(LOCALE_STIMEFORMAT, FormatSettings.LongTimeFormat),
                                   date, FormatSettings);
  } catch (...) {
    try {
      text = VarFromDateTime(date).AsString();
    } catch (...) {
      text.clear();
    }
  }
}

void FormatDateForEdit(bool use_mask_format, bool with_time, bool four_digit_year, String& text,
                       TDateTime date) {
  text.clear();
  if (date == NoDateValue) return;
  if (!use_mask_format) {
    FormatDateLocale(four_digit_year, text, date);
    return;
  }
  try {
    if (!InDateRange(date)) return;
    auto* controller = GlobalFormatController();
    text = with_time ? FormatDateTime(controller->DateTimeMaskDisplayFormat(), date, FormatSettings)
                     : FormatDateTime(controller->DateMaskDisplayFormat(), WholeDaysOf(date),
                                      FormatSettings);
  } catch (...) {
    text.clear();
  }
}

bool IsNoDateValue(const Variant& v) {
  switch (v.VarType()) {
    case varSmallint: case varInteger: case varSingle: case varDouble: case varCurrency:
    case varDate: case varShortInt: case varByte: case varWord: case varLongWord: case varInt64:
      return v.AsDouble() == NoDateValue;
    default:
      return false;
  }
}

void AppendDateWordsToMask(String& mask, bool include_now) {
  String words;
  const int count = include_now ? cxDateWordCount : cxDateWordCount - 1;
  for (int k = 0; k < count; ++k) {
    if (k > 0) words += '|';
    words += QuoteRegExprMaskText(DateWordText(TcxDateWord(k)));
  }
  mask = "(" + mask + ")|(" + words + ")((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
}

String LocaleString(UINT lc_type, const String& default_text) {
  const TFormatSettings& fs = FormatSettings;
  switch (lc_type) {
    case LOCALE_SDATE: return fs.DateSeparator ? String(1, fs.DateSeparator) : String();
    case LOCALE_STIME: return fs.TimeSeparator ? String(1, fs.TimeSeparator) : String();
    case LOCALE_SSHORTDATE: return fs.ShortDateFormat;
    case LOCALE_SLONGDATE: return fs.LongDateFormat;
    case LOCALE_S1159: return fs.TimeAMString;
    case LOCALE_S2359: return fs.TimePMString;
    case LOCALE_STIMEFORMAT: return fs.LongTimeFormat;
    case LOCALE_IFIRSTDAYOFWEEK: return IntToStr(fs.FirstDayOfWeek);
    case LOCALE_IFIRSTWEEKOFYEAR: return IntToStr(fs.FirstWeekOfYear);
    default: return default_text;
  }
}

char LocaleChar(UINT lc_type, char default_char) {
  const String s = LocaleString(lc_type, String(1, default_char));
  return s.empty() ? default_char : s[0];
}

bool IsNullOrEmptyVariant(const Variant& v) { return v.IsNull() || v.IsEmpty(); }

bool IsIntegerText(const String& text) {
  const String s = Trim(text);
  Integer value = 0;
  return !s.empty() && TryStrToInt(s, value);
}

bool IsFloatText(const String& text) {
  const String s = Trim(text);
  if (s.empty()) return false;
  const char sep = FormatSettings.DecimalSeparator;
  int separators = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') continue;
    if (c == sep) {
      if (++separators > 1) return false;
      continue;
    }
    if (c == '-' && i == 0) continue;
    return false;
  }
  double value = 0;
  return TryStrToFloat(s, value, FormatSettings) && std::fabs(value) <= 1.7e308;
}
