#include "data/cxDataUtils.h"

#include <cmath>

#include "rtl/SysUtils.h"

int GetFirstWeekDay() {
  int locale = FormatSettings.FirstDayOfWeek;  // 0 = Monday ... 6 = Sunday
  if (locale < 0 || locale > 6) return 1;
  return (locale + 1) % 7;
}

TDateTime WeekStartOf(TDateTime date) {
  double day = std::floor(date);
  int d = DayOfWeek(day) - 1;  // 0 = Sunday
  int f = GetFirstWeekDay();
  return f <= d ? day - (d - f) : day - (7 - (f - d));
}

String CurrencyDisplayFormat() {
  String number = ",0.";
  for (int i = 0; i < FormatSettings.CurrencyDecimals; ++i) number += '0';
  String symbol;
  for (char c : FormatSettings.CurrencyString) {
    if (c == ',' || c == '.') symbol += String("'") + c + "'";
    else symbol += c;
  }
  if (symbol.empty()) return number;
  switch (FormatSettings.CurrencyFormat) {
    case 0: return symbol + number;
    case 1: return number + symbol;
    case 2: return symbol + " " + number;
    default: return number + " " + symbol;
  }
}

double TruncAsFloat(double x) {
  if (!std::isfinite(x) || std::fabs(x) >= 9.2e18) return std::trunc(x);
  return double(Int64(x));
}

double FracAsFloat(double x) { return x - TruncAsFloat(x); }

bool TextMatches(const String& text, const String& sub, bool partial) {
  String t = AnsiUpperCase(text), s = AnsiUpperCase(sub);
  if (s.empty()) return t.empty();
  if (!partial) return t == s;
  return t.size() >= s.size() && t.compare(0, s.size(), s) == 0;
}

void TcxCollection::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TCollection*>(source);
  if (src == nullptr) {
    TCollection::Assign(source);
    return;
  }
  if (Count() == 0 && src->Count() == 0) return;
  BeginUpdate();
  try {
    for (Integer i = 0; i < src->Count(); ++i) {
      if (i >= Count()) Add();
      Items(i)->Assign(src->Items(i));
    }
    while (Count() > src->Count()) Delete(Count() - 1);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}
