#include "editors/cxFormats.h"

#include <algorithm>
#include <cctype>

#include "editors/cxDateUtils.h"
#include "rtl/SysUtils.h"
#include "user/WinUser.h"
#include "vcl/Forms.h"

KORVAN_IMPLEMENT_CLASS(TcxFormatController)

namespace {

TcxFormatController* globalController = nullptr;

// ---- parsing a date-time format ------------------------------------------------------------

class TFormatParser {
 public:
  explicit TFormatParser(TcxDateTimeFormatInfo& info) : info_(info) {}

  bool Parse(const String& format, int depth) {
    // Expansions nest; at the third level nothing is parsed (and that counts as a success).
    if (depth >= 3) return true;
    const String text = format.empty() ? String("C") : format;
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
      const unsigned char c = static_cast<unsigned char>(text[i]);
      if (c >= 0x80) {
        // A multi-byte character is literal text as a whole.
        size_t len = size_t(std::max<Integer>(1, CharLength(text, Integer(i + 1))));
        len = std::min(len, n - i);
        AddLiteral(text.substr(i, len));
        i += len;
        continue;
      }
      const char u = char(std::toupper(c));
      const size_t run = RunLength(text, i);
      if (c == '"' || c == '\'') {
        // Quoted literal; an unclosed quote takes the rest of the text.
        size_t close = text.find(char(c), i + 1);
        if (close == String::npos) close = n;
        if (close > i + 1) AddLiteral(text.substr(i + 1, close - i - 1));
        i = close < n ? close + 1 : n;
        continue;
      }
      if (c == '/') { AddItem(cxdtfkDateSeparator, ""); ++i; continue; }
      if (c == ':') { AddItem(cxdtfkTimeSeparator, ""); ++i; continue; }
      if (u < 'A' || u > 'Z') { AddLiteral(String(1, char(c))); ++i; continue; }
      const char prev_letter = lastLetter_;
      lastLetter_ = u;
      switch (u) {
        case 'A': {
          if (StartsText(text, i, "AM/PM")) {
            AddItem(cxdtfkDesignator, text.substr(i, 5)); designatorSeen_ = true; i += 5;
          } else if (StartsText(text, i, "A/P")) {
            AddItem(cxdtfkDesignator, text.substr(i, 3)); designatorSeen_ = true; i += 3;
          } else if (StartsText(text, i, "AMPM")) {
            AddItem(cxdtfkDesignator, "AMPM"); designatorSeen_ = true; i += 4;
          } else if (run >= 4) {
            AddItem(cxdtfkDay, "DDDD"); i += 4;
          } else if (run == 3) {
            AddItem(cxdtfkDay, "DDD"); i += 3;
          } else {
            AddLiteral(String(1, char(c))); ++i;
          }
          break;
        }
        case 'C':
          if (!Parse(FormatSettings.ShortDateFormat, depth + 1)) return false;
          AddLiteral(" ");
          if (!Parse(FormatSettings.LongTimeFormat, depth + 1)) return false;
          ++i;
          break;
        case 'D':
          if (run <= 4) {
            AddItem(cxdtfkDay, String(run, 'D'));
          } else if (run == 5) {
            if (!Parse(FormatSettings.ShortDateFormat, depth + 1)) return false;
          } else {
            if (!Parse(FormatSettings.LongDateFormat, depth + 1)) return false;
          }
          i += run;
          break;
        case 'E':
        case 'Y':
          AddItem(cxdtfkYear, run > 2 ? "YYYY" : "YY");
          i += run;
          break;
        case 'G':
          return false;
        case 'H':
          AddItem(cxdtfkHour, String(std::min<size_t>(run, 2), 'H'));
          hourSeen_ = true;
          i += run;
          break;
        case 'M':
          if (prev_letter == 'H') AddItem(cxdtfkMinute, String(std::min<size_t>(run, 2), 'N'));
          else AddItem(cxdtfkMonth, String(std::min<size_t>(run, 4), 'M'));
          i += run;
          break;
        case 'N': AddItem(cxdtfkMinute, String(std::min<size_t>(run, 2), 'N')); i += run; break;
        case 'S': AddItem(cxdtfkSecond, String(std::min<size_t>(run, 2), 'S')); i += run; break;
        case 'Z': AddItem(cxdtfkMillisecond, String(std::min<size_t>(run, 3), 'Z')); i += run; break;
        case 'T':
          if (!Parse(run == 1 ? FormatSettings.ShortTimeFormat : FormatSettings.LongTimeFormat,
                     depth + 1))
            return false;
          i += run;
          break;
        default:
          AddLiteral(String(1, char(c)));
          ++i;
          break;
      }
    }
    return true;
  }

  void Finish() {
    auto& items = info_.Items;
    if (info_.DefinedItems[cxdtfkHour]) {
      for (auto& item : items)
        if (item.Kind == cxdtfkHour) item.Data = (designatorSeen_ ? "12" : "24") + item.Data;
    } else if (info_.DefinedItems[cxdtfkDesignator]) {
      items.erase(std::remove_if(items.begin(), items.end(),
                                 [](const TcxDateTimeFormatItem& it) {
                                   return it.Kind == cxdtfkDesignator;
                                 }),
                  items.end());
      info_.DefinedItems[cxdtfkDesignator] = false;
    }
  }

 private:
  static size_t RunLength(const String& text, size_t i) {
    const char u = char(std::toupper(static_cast<unsigned char>(text[i])));
    size_t j = i + 1;
    while (j < text.size() && std::toupper(static_cast<unsigned char>(text[j])) == u) ++j;
    return j - i;
  }
  static bool StartsText(const String& text, size_t i, const char* word) {
    const size_t len = std::char_traits<char>::length(word);
    if (i + len > text.size()) return false;
    for (size_t k = 0; k < len; ++k)
      if (std::toupper(static_cast<unsigned char>(text[i + k])) != word[k]) return false;
    return true;
  }
  void AddItem(Byte kind, const String& data) {
    const bool repeatable = kind == cxdtfkLiteral || kind == cxdtfkDateSeparator ||
                            kind == cxdtfkTimeSeparator;
    if (!repeatable && info_.DefinedItems[kind]) return;
    info_.DefinedItems[kind] = true;
    info_.Items.push_back({kind, data});
  }
  void AddLiteral(const String& text) {
    if (!info_.Items.empty() && info_.Items.back().Kind == cxdtfkLiteral) {
      info_.Items.back().Data += text;
    } else {
      AddItem(cxdtfkLiteral, text);
    }
  }

  TcxDateTimeFormatInfo& info_;
  char lastLetter_ = 0;
  bool hourSeen_ = false;
  bool designatorSeen_ = false;
};

bool IsNameData(const String& data) { return data.size() > 2; }

Integer DesignatorWidth() {
  return std::max(CharCount(FormatSettings.TimeAMString), CharCount(FormatSettings.TimePMString));
}

bool SameDesignator(const String& data, const char* style) { return SameText(data, style); }

String SeparatorExpr(char separator) {
  if (separator == '\0') return "";
  if (separator == ' ') return "' '";
  // A letter or digit after a backslash is a class or a reference: such a separator is
  // written as quoted text.
  if (std::isalnum(static_cast<unsigned char>(separator))) return String("'") + separator + "'";
  return String("\\") + separator;
}

String DoubleLoneLetters(const String& format) {
  String result;
  const size_t n = format.size();
  for (size_t i = 0; i < n; ++i) {
    const char c = format[i];
    result += c;
    if (c == 'd' || c == 'M') {
      const bool before = i > 0 && format[i - 1] == c;
      const bool after = i + 1 < n && format[i + 1] == c;
      if (!before && !after) result += c;
    }
  }
  return result;
}

}  // namespace

// ---- free routines -----------------------------------------------------------------------------

bool ParseDateTimeFormat(const String& format, TcxDateTimeFormatInfo& info) {
  info = TcxDateTimeFormatInfo();
  TFormatParser parser(info);
  if (!parser.Parse(format, 0)) {
    info = TcxDateTimeFormatInfo();
    return false;
  }
  parser.Finish();
  return true;
}

String BuildCurrencyDisplayFormat(const TFormatSettings& settings) { return CurrencyFormatPattern(settings); }

String BuildStandardMask(const TcxDateTimeFormatInfo& info) {
  if (info.Items.empty()) return "";
  String mask = "!";
  for (const auto& item : info.Items) {
    switch (item.Kind) {
      case cxdtfkLiteral:
        for (char c : item.Data) {
          mask += '\\';
          mask += c;
        }
        break;
      case cxdtfkYear: mask += item.Data == "YY" ? "99" : "9999"; break;
      case cxdtfkMonth:
      case cxdtfkDay: mask += IsNameData(item.Data) ? "lll" : "99"; break;
      case cxdtfkHour:
      case cxdtfkMinute:
      case cxdtfkSecond: mask += "99"; break;
      case cxdtfkDesignator:
        if (SameDesignator(item.Data, "A/P")) mask += "c";
        else if (SameDesignator(item.Data, "AM/PM")) mask += "cc";
        else mask += String(size_t(DesignatorWidth()), 'c');
        break;
      case cxdtfkDateSeparator: mask += '/'; break;
      case cxdtfkTimeSeparator: mask += ':'; break;
      default: break;
    }
  }
  return mask + ";1; ";
}

String BuildMaskDisplayFormat(const TcxDateTimeFormatInfo& info) {
  String result;
  for (const auto& item : info.Items) {
    switch (item.Kind) {
      case cxdtfkLiteral: result += "'" + item.Data + "'"; break;
      case cxdtfkYear: result += LowerCase(item.Data); break;
      case cxdtfkMonth: result += IsNameData(item.Data) ? "mmm" : "mm"; break;
      case cxdtfkDay: result += IsNameData(item.Data) ? "ddd" : "dd"; break;
      case cxdtfkHour: result += "hh"; break;
      case cxdtfkMinute: result += "nn"; break;
      case cxdtfkSecond: result += "ss"; break;
      case cxdtfkDesignator: result += LowerCase(item.Data); break;
      case cxdtfkDateSeparator: result += '/'; break;
      case cxdtfkTimeSeparator: result += ':'; break;
      default: break;
    }
  }
  return result;
}

String BuildRegExprMask(const TcxDateTimeFormatInfo& info, bool date_mode) {
  String result;
  for (const auto& item : info.Items) {
    if (item.Kind == cxdtfkLiteral) {
      result += QuoteRegExprMaskText(item.Data);
      continue;
    }
    if (date_mode) {
      switch (item.Kind) {
        case cxdtfkYear: result += item.Data == "YY" ? "\\d\\d" : "\\d\\d\\d\\d"; break;
        case cxdtfkMonth: {
          const auto& names = item.Data == "MMMM" ? FormatSettings.LongMonthNames
                                                  : FormatSettings.ShortMonthNames;
          result += "((0?[1-9]|1[012])|(";
          for (size_t k = 0; k < names.size(); ++k) {
            if (k > 0) result += '|';
            result += QuoteRegExprMaskText(names[k]);
          }
          result += "))";
          break;
        }
        case cxdtfkDay: result += "([012]?[1-9]|[123]0|31)"; break;
        case cxdtfkDateSeparator: result += SeparatorExpr(FormatSettings.DateSeparator); break;
        default: break;
      }
    } else {
      switch (item.Kind) {
        case cxdtfkHour:
          result += item.Data.rfind("12", 0) == 0 ? "(0?[1-9]|1[012])" : "([01]?\\d|2[0-3])";
          break;
        case cxdtfkMinute:
        case cxdtfkSecond: result += "[0-5]?\\d"; break;
        case cxdtfkDesignator: {
          if (SameDesignator(item.Data, "A/P")) {
            result += "(A|P)?";
          } else if (SameDesignator(item.Data, "AM/PM")) {
            result += "(AM|PM)?";
          } else {
            const String& am = FormatSettings.TimeAMString;
            const String& pm = FormatSettings.TimePMString;
            if (!am.empty() && !pm.empty())
              result += "(" + QuoteRegExprMaskText(am) + "|" + QuoteRegExprMaskText(pm) + ")?";
            else if (!am.empty() || !pm.empty())
              result += "(" + QuoteRegExprMaskText(am.empty() ? pm : am) + ")?";
          }
          break;
        }
        case cxdtfkTimeSeparator: result += SeparatorExpr(FormatSettings.TimeSeparator); break;
        default: break;
      }
    }
  }
  return result;
}

Integer FormatItemWidth(const TcxDateTimeFormatItem& item) {
  switch (item.Kind) {
    case cxdtfkLiteral: return CharCount(item.Data);
    case cxdtfkYear: return item.Data == "YY" ? 2 : 4;
    case cxdtfkMonth:
    case cxdtfkDay: return IsNameData(item.Data) ? 3 : 2;
    case cxdtfkHour:
    case cxdtfkMinute:
    case cxdtfkSecond: return 2;
    case cxdtfkDesignator:
      if (SameDesignator(item.Data, "A/P")) return 1;
      if (SameDesignator(item.Data, "AM/PM")) return 2;
      return DesignatorWidth();
    case cxdtfkDateSeparator:
    case cxdtfkTimeSeparator: return 1;
    default: return 0;
  }
}

Integer FormatTextLength(const TcxDateTimeFormatInfo& info) {
  Integer total = 0;
  for (const auto& item : info.Items) total += FormatItemWidth(item);
  return total;
}

bool FindFormatItemAt(const TcxDateTimeFormatInfo& info, Integer position, Byte& kind,
                      Integer& start, Integer& length, Integer& designator_style) {
  if (position < 1 || info.Items.empty()) return false;
  Integer item_start = 1;
  for (const auto& item : info.Items) {
    const Integer width = FormatItemWidth(item);
    if (position >= item_start && position < item_start + width) {
      kind = item.Kind;
      start = item_start;
      length = width;
      designator_style = 2;
      if (item.Kind == cxdtfkDesignator) {
        if (SameDesignator(item.Data, "A/P")) designator_style = 0;
        else if (SameDesignator(item.Data, "AM/PM")) designator_style = 1;
      }
      return true;
    }
    item_start += width;
  }
  return false;
}

// ---- the controller ----------------------------------------------------------------------------

TcxFormatController::TcxFormatController() {
  if (!globalController) globalController = this;
  Refresh();
}

TcxFormatController::~TcxFormatController() {
  DestroyWindow();
  if (globalController == this) globalController = nullptr;
}

void TcxFormatController::Refresh() {
  currencyDisplayFormat_ = BuildCurrencyDisplayFormat(FormatSettings);
  Integer v = StrToIntDef(LocaleString(LOCALE_IFIRSTDAYOFWEEK, "0"), 0) + 1;
  firstDayOfWeek_ = Byte(v > 6 || v < 0 ? 0 : v);

  ParseDateTimeFormat(FormatSettings.ShortDateFormat, dateItems_);
  ParseDateTimeFormat(FormatSettings.LongTimeFormat, timeItems_);
  ParseDateTimeFormat(FormatSettings.ShortDateFormat + " " + FormatSettings.LongTimeFormat,
                      dateTimeItems_);
  dateStandardMask_ = BuildStandardMask(dateItems_);
  dateTimeStandardMask_ = BuildStandardMask(dateTimeItems_);
  dateMaskDisplayFormat_ = BuildMaskDisplayFormat(dateItems_);
  dateTimeMaskDisplayFormat_ = BuildMaskDisplayFormat(dateTimeItems_);
  // A format that cannot be parsed gives empty masks, the regular-expression ones included;
  // so does a date format without a date item (an empty group would not compile). A time
  // format without a time item leaves the time part out.
  dateMaskRegExpr_.clear();
  dateTimeMaskRegExpr_.clear();
  const String date_expr = dateItems_.Items.empty() ? String() : BuildRegExprMask(dateItems_, true);
  if (!date_expr.empty()) {
    dateMaskRegExpr_ = date_expr;
    AppendDateWordsToMask(dateMaskRegExpr_, false);
    if (!timeItems_.Items.empty()) {
      const String time_expr = BuildRegExprMask(timeItems_, false);
      dateTimeMaskRegExpr_ = time_expr.empty() ? date_expr : date_expr + " ' '(" + time_expr + ")?";
      AppendDateWordsToMask(dateTimeMaskRegExpr_, true);
    }
  }
  dateTypingFormat_ = DoubleLoneLetters(FormatSettings.ShortDateFormat);
}

LRESULT TcxFormatController::HandleWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    if (msg == WM_WININICHANGE) {
      const char* section = reinterpret_cast<const char*>(lParam);
      if (wParam == 0 && section && SameText(section, "intl")) {
        Refresh();
        const auto listeners = listeners_;
        for (auto* listener : listeners)
          if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
            listener->FormatChanged();
      }
      return 0;
    }
    if (msg == WM_TIMECHANGE) {
      const auto listeners = listeners_;
      for (auto* listener : listeners)
        if (auto* time_listener = dynamic_cast<IcxSystemTimeListener*>(listener))
          if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
            time_listener->TimeChanged();
      return 0;
    }
  } catch (...) {
    // A listener's failure goes to the application and never leaves the window procedure.
    if (Application) Application->HandleException(this);
    return 0;
  }
  return DefWindowProc(window_, msg, wParam, lParam);
}

void TcxFormatController::RegisterListener(IcxFormatSettingsListener* listener) {
  if (!listener || std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
    return;
  listeners_.push_back(listener);
  // A window destroyed behind the controller's back (a closing session) is made again.
  if (window_ && !IsWindow(window_)) window_ = 0;
  if (!window_)
    window_ = AllocateHWnd([this](HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
      if (!window_) window_ = wnd;  // messages sent while the window is being made
      return HandleWindowMessage(msg, wParam, lParam);
    });
}

void TcxFormatController::UnregisterListener(IcxFormatSettingsListener* listener) {
  auto it = std::find(listeners_.begin(), listeners_.end(), listener);
  if (it == listeners_.end()) return;
  listeners_.erase(it);
  if (listeners_.empty()) DestroyWindow();
}

void TcxFormatController::DestroyWindow() {
  if (window_) {
    if (IsWindow(window_)) DeallocateHWnd(window_);
    window_ = 0;
  }
}

TcxFormatController* GlobalFormatController() {
  InitializeCxFormats();
  if (!globalController) new TcxFormatController();
  return globalController;
}

void InitializeCxFormats() {
  InitUnit("cxFormats", [] {}, [] {
    delete globalController;
    globalController = nullptr;
  });
}
