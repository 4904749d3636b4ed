// Format, floating-point and currency text. Every formatting path first turns the value into
// a decimal digit string (15 significant digits for a double, exact for Currency) and rounds
// that string half away from zero, so that 9999999.5555 with two decimals gives ...56 although
// the nearest double lies below the half.
#include <charconv>
#include <cmath>
#include <cstdio>

#include "rtl/SysUtils.h"

namespace {

// A decimal value: 0.d1d2d3... x 10^exponent. No leading or trailing zeros in digits; zero
// has no digits.
struct TDecimal {
  bool negative = false;
  bool nan = false;
  bool inf = false;
  int exponent = 0;
  String digits;

  bool IsZero() const { return digits.empty(); }
};

void StripTrailingZeros(TDecimal& d) {
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.exponent = 0;
}

TDecimal DecimalOf(double v, int precision) {
  TDecimal d;
  if (std::isnan(v)) { d.nan = true; return d; }
  if (std::isinf(v)) { d.inf = true; d.negative = v < 0; return d; }
  d.negative = std::signbit(v);
  if (v == 0) { d.negative = false; return d; }
  if (precision < 1) precision = 1;
  if (precision > 17) precision = 17;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", precision - 1, std::fabs(v));
  // buf: "d.ddddde+XX"
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') d.digits += *p;
  int e = std::atoi(p + 1);
  d.exponent = e + 1;
  StripTrailingZeros(d);
  return d;
}

TDecimal DecimalOf(Currency c) {
  TDecimal d;
  Int64 raw = c.Raw();
  d.negative = raw < 0;
  UInt64 u = raw < 0 ? UInt64(0) - UInt64(raw) : UInt64(raw);
  if (u == 0) { d.negative = false; return d; }
  String s = std::to_string(u);
  d.digits = s;
  d.exponent = int(s.size()) - 4;
  StripTrailingZeros(d);
  return d;
}

// Keeps the first `keep` digits, rounding half away from zero on the rest.
void RoundAt(TDecimal& d, int keep) {
  if (d.IsZero() || keep >= int(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
    d.exponent = 0;
    return;
  }
  bool up = d.digits[size_t(keep)] >= '5';
  d.digits.resize(size_t(keep));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[size_t(i)] == '9') d.digits[size_t(i--)] = '0';
    if (i < 0) {
      d.digits.insert(d.digits.begin(), '1');
      d.exponent += 1;
    } else {
      d.digits[size_t(i)]++;
    }
  }
  StripTrailingZeros(d);
}

// Rounds to `decimals` digits after the decimal point.
void RoundDecimals(TDecimal& d, int decimals) { RoundAt(d, d.exponent + decimals); }

// The digit at 0-based position i of the digit string, '0' beyond it.
char DigitAt(const TDecimal& d, int i) { return i >= 0 && i < int(d.digits.size()) ? d.digits[size_t(i)] : '0'; }

// Integer part of d as digits ("" for values below 1).
String IntegerDigits(const TDecimal& d) {
  String r;
  for (int i = 0; i < d.exponent; ++i) r += DigitAt(d, i);
  return r;
}

// Fraction digits of d, exactly `count` of them.
String FractionDigits(const TDecimal& d, int count) {
  String r;
  for (int i = 0; i < count; ++i) r += DigitAt(d, d.exponent + i);
  return r;
}

String Group(const String& int_digits, char sep) {
  if (sep == '\0') return int_digits;
  String r;
  size_t n = int_digits.size();
  for (size_t i = 0; i < n; ++i) {
    r += int_digits[i];
    size_t left = n - 1 - i;
    if (left > 0 && left % 3 == 0) r += sep;
  }
  return r;
}

String SpecialText(const TDecimal& d) {
  if (d.nan) return "NAN";
  return d.negative ? "-INF" : "INF";
}

String ExponentText(int e, int min_digits, bool always_sign) {
  String digits = std::to_string(e < 0 ? -e : e);
  if (int(digits.size()) < min_digits) digits.insert(0, size_t(min_digits) - digits.size(), '0');
  if (e < 0) return "-" + digits;
  return always_sign ? "+" + digits : digits;
}

int ClampPrecision(int precision, int max) { return precision < 1 ? 1 : (precision > max ? max : precision); }

// The general format: fixed notation unless the value needs more than `precision` integer
// digits or is below 0.00001.
String GeneralText(TDecimal d, int precision, int exp_digits, const TFormatSettings& fs) {
  RoundAt(d, precision);
  if (d.IsZero()) return "0";
  String sign = d.negative ? "-" : "";
  if (d.exponent > precision || d.exponent < -4) {
    String r = sign + d.digits.substr(0, 1);
    if (d.digits.size() > 1) r += fs.DecimalSeparator + d.digits.substr(1);
    return r + "E" + ExponentText(d.exponent - 1, exp_digits, false);
  }
  String r = sign;
  if (d.exponent <= 0) {
    r += "0";
    r += fs.DecimalSeparator;
    r += String(size_t(-d.exponent), '0') + d.digits;
    return r;
  }
  r += IntegerDigits(d);
  if (int(d.digits.size()) > d.exponent) r += fs.DecimalSeparator + d.digits.substr(size_t(d.exponent));
  return r;
}

String ExponentFormText(TDecimal d, int precision, int exp_digits, const TFormatSettings& fs) {
  RoundAt(d, precision);
  String r = d.negative && !d.IsZero() ? "-" : "";
  int e = d.IsZero() ? 0 : d.exponent - 1;
  r += DigitAt(d, 0);
  if (precision > 1) {
    r += fs.DecimalSeparator;
    for (int i = 1; i < precision; ++i) r += DigitAt(d, i);
  }
  return r + "E" + ExponentText(e, exp_digits, true);
}

String CurrencyText(const String& number, bool negative, const TFormatSettings& fs) {
  const String& c = fs.CurrencyString;
  if (!negative) {
    switch (fs.CurrencyFormat) {
      case 1: return number + c;
      case 2: return c + " " + number;
      case 3: return number + " " + c;
      default: return c + number;
    }
  }
  switch (fs.NegCurrFormat) {
    case 1: return "-" + c + number;
    case 2: return c + "-" + number;
    case 3: return c + number + "-";
    case 4: return "(" + number + c + ")";
    case 5: return "-" + number + c;
    case 6: return number + "-" + c;
    case 7: return number + c + "-";
    case 8: return "-" + number + " " + c;
    case 9: return "-" + c + " " + number;
    case 10: return number + " " + c + "-";
    case 11: return c + " " + number + "-";
    case 12: return c + " -" + number;
    case 13: return number + "- " + c;
    case 14: return "(" + c + " " + number + ")";
    case 15: return "(" + number + " " + c + ")";
    default: return "(" + c + number + ")";
  }
}

String FloatText(const TDecimal& value, TFloatFormat format, int precision, int digits, int max_precision,
                 const TFormatSettings& fs) {
  if (value.nan || value.inf) return SpecialText(value);
  precision = ClampPrecision(precision, max_precision);
  if (digits < 0) digits = 0;
  switch (format) {
    case ffExponent:
      return ExponentFormText(value, precision, digits > 4 ? 4 : digits, fs);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      if (digits > 18) digits = 18;
      TDecimal d = value;
      RoundAt(d, precision);
      if (d.exponent > precision) return GeneralText(value, precision, 0, fs);
      d = value;
      RoundDecimals(d, digits);
      String ip = IntegerDigits(d);
      if (ip.empty()) ip = "0";
      if (format != ffFixed) ip = Group(ip, fs.ThousandSeparator);
      String number = ip;
      if (digits > 0) number += fs.DecimalSeparator + FractionDigits(d, digits);
      // A value that rounds to zero shows no minus sign.
      bool negative = d.negative && !d.IsZero();
      if (format == ffCurrency) return CurrencyText(number, negative, fs);
      return (negative ? "-" : "") + number;
    }
    case ffGeneral:
    default:
      return GeneralText(value, precision, digits > 4 ? 4 : digits, fs);
  }
}

// ---------------------------------------------------------------------------------------------
// FormatFloat's pattern language

[[noreturn]] void BadPattern(const String& pattern) {
  throw EConvertError("Format '" + pattern + "' invalid or incompatible with argument");
}

// Splits the pattern into its sections at ';' outside quoted text.
std::vector<String> Sections(const String& pattern) {
  std::vector<String> sections(1);
  char quote = 0;
  for (char c : pattern) {
    if (quote) {
      if (c == quote) quote = 0;
      sections.back() += c;
    } else if (c == '"' || c == '\'') {
      quote = c;
      sections.back() += c;
    } else if (c == ';') {
      sections.emplace_back();
    } else {
      sections.back() += c;
    }
  }
  if (quote) BadPattern(pattern);
  if (sections.size() > 3) BadPattern(pattern);
  return sections;
}

enum class TTok { Literal, Zero, Hash, Point, Exponent };
struct TToken {
  TTok kind;
  String text;         // Literal: the text; Exponent: "E" or "e"
  bool plus = false;   // Exponent: "+" always shows the sign
  int exp_digits = 0;  // Exponent: the number of "0"s after the sign
};

struct TSection {
  std::vector<TToken> tokens;
  int int_places = 0;  // digit placeholders before the decimal point
  int int_forced = 0;  // the position (1 = units) of the leftmost "0" before the point
  int dec_places = 0;  // digit placeholders after the decimal point
  int dec_forced = 0;  // the position of the last "0" after the point
  bool thousands = false;
  bool has_point = false;
  int exponent = -1;  // index of the exponent token
  bool HasDigits() const { return int_places + dec_places > 0; }
};

TSection ParseSection(const String& s, const String& pattern) {
  TSection sec;
  for (size_t i = 0; i < s.size();) {
    char c = s[i];
    if (c == '"' || c == '\'') {
      size_t j = s.find(c, i + 1);
      if (j == String::npos) BadPattern(pattern);
      sec.tokens.push_back({TTok::Literal, s.substr(i + 1, j - i - 1)});
      i = j + 1;
      continue;
    }
    if ((c == 'E' || c == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
      TToken t{TTok::Exponent, String(1, c)};
      t.plus = s[i + 1] == '+';
      size_t j = i + 2;
      while (j < s.size() && s[j] == '0') ++j;
      t.exp_digits = int(j - i - 2);
      // An exponent needs its digits and a mantissa to scale; a second one is ambiguous.
      if (t.exp_digits == 0 || !sec.HasDigits() || sec.exponent >= 0) BadPattern(pattern);
      sec.exponent = int(sec.tokens.size());
      sec.tokens.push_back(t);
      i = j;
      continue;
    }
    switch (c) {
      case '0':
      case '#':
        // Digits after the exponent have nowhere to go.
        if (sec.exponent >= 0) BadPattern(pattern);
        if (sec.has_point) {
          ++sec.dec_places;
          if (c == '0') sec.dec_forced = sec.dec_places;
        } else {
          ++sec.int_places;
        }
        sec.tokens.push_back({c == '0' ? TTok::Zero : TTok::Hash, ""});
        break;
      case '.':
        // The first point is the decimal point; later ones are ignored.
        if (!sec.has_point && sec.exponent < 0) {
          sec.has_point = true;
          sec.tokens.push_back({TTok::Point, ""});
        }
        break;
      case ',':
        if (sec.exponent < 0) sec.thousands = true;
        break;
      default:
        if (!sec.tokens.empty() && sec.tokens.back().kind == TTok::Literal)
          sec.tokens.back().text += c;
        else
          sec.tokens.push_back({TTok::Literal, String(1, c)});
        break;
    }
    ++i;
  }
  int pos = sec.int_places;
  for (const TToken& t : sec.tokens) {
    if (t.kind == TTok::Point) break;
    if (t.kind == TTok::Zero || t.kind == TTok::Hash) {
      if (t.kind == TTok::Zero && sec.int_forced == 0) sec.int_forced = pos;
      --pos;
    }
  }
  return sec;
}

// Writes the digits of d through the section's placeholders.
String ApplySection(const TSection& sec, TDecimal d, bool minus, const TFormatSettings& fs) {
  int shown_exp = 0;
  bool has_exp = sec.exponent >= 0;
  if (has_exp) {
    // Scale so that the mantissa has int_places integer digits.
    if (!d.IsZero()) {
      shown_exp = d.exponent - sec.int_places;
      RoundAt(d, sec.int_places + sec.dec_places);
      shown_exp = d.exponent - sec.int_places;
      d.exponent = sec.int_places;
    }
  } else {
    RoundDecimals(d, sec.dec_places);
  }
  String int_digits = d.exponent > 0 ? IntegerDigits(d) : "";
  int width = std::max(int(int_digits.size()), sec.int_forced);
  if (has_exp && width == 0 && sec.int_places > 0) width = 1;  // "#.##E+00" shows 0
  if (int(int_digits.size()) < width) int_digits.insert(0, size_t(width) - int_digits.size(), '0');
  String frac = FractionDigits(d, sec.dec_places);
  while (int(frac.size()) > sec.dec_forced && frac.back() == '0') frac.pop_back();

  String out = minus ? "-" : "";
  char sep = sec.thousands ? fs.ThousandSeparator : '\0';
  auto emit_int = [&](int position) {  // position 1 = units
    if (position > width) return;
    out += int_digits[size_t(width - position)];
    if (sep && position > 1 && (position - 1) % 3 == 0) out += sep;
  };
  int int_pos = sec.int_places;  // position of the next integer placeholder
  int dec_pos = 0;
  bool after_point = false;
  for (const TToken& t : sec.tokens) {
    switch (t.kind) {
      case TTok::Literal:
        out += t.text;
        break;
      case TTok::Zero:
      case TTok::Hash:
        if (!after_point) {
          if (int_pos == sec.int_places)
            for (int p = width; p > int_pos; --p) emit_int(p);  // digits beyond the placeholders
          emit_int(int_pos);
          --int_pos;
        } else {
          ++dec_pos;
          if (dec_pos <= int(frac.size())) out += frac[size_t(dec_pos - 1)];
        }
        break;
      case TTok::Point:
        after_point = true;
        // Without integer placeholders (".00") the integer digits stand before the point.
        if (sec.int_places == 0)
          for (int p = width; p >= 1; --p) emit_int(p);
        if (!frac.empty()) out += fs.DecimalSeparator;
        break;
      case TTok::Exponent:
        out += t.text + ExponentText(shown_exp, t.exp_digits, t.plus);
        break;
    }
  }
  return out;
}

// general_precision: the digits of the general format that an empty pattern and values of
// 1E18 and more fall back to (15 for a double, 19 for Currency).
String FormatDecimal(const String& pattern, const TDecimal& value, double magnitude, int general_precision,
                     const TFormatSettings& fs) {
  if (value.nan || value.inf) return SpecialText(value);
  if (pattern.empty()) return GeneralText(value, general_precision, 0, fs);
  std::vector<String> sections = Sections(pattern);
  std::vector<TSection> parsed;
  for (const String& s : sections) parsed.push_back(ParseSection(s, pattern));
  auto usable = [&](size_t i) { return i < sections.size() && !sections[i].empty(); };

  size_t which = 0;
  bool minus = false;
  if (value.IsZero()) {
    which = usable(2) ? 2 : 0;
  } else if (value.negative) {
    if (usable(1)) which = 1;
    else minus = true;
  }
  const TSection& sec = parsed[which];
  if (sec.exponent < 0 && magnitude >= 1e18) return GeneralText(value, general_precision, 0, fs);
  // A value that rounds to zero is shown as zero: the zero section when there is one, never
  // with a minus sign.
  TDecimal rounded = value;
  if (sec.exponent >= 0) RoundAt(rounded, sec.int_places + sec.dec_places);
  else RoundDecimals(rounded, sec.dec_places);
  if (!value.IsZero() && rounded.IsZero()) {
    TDecimal zero;
    return ApplySection(parsed[usable(2) ? 2 : 0], zero, false, fs);
  }
  // The sign shows through the section chosen or the leading minus, never twice.
  return ApplySection(sec, value, minus, fs);
}

// ---------------------------------------------------------------------------------------------
// Parsing numbers

// Checks the syntax of a number in the locale's notation and writes it in C notation.
bool NormaliseNumber(const String& s, const TFormatSettings& fs, String& out) {
  size_t i = 0, n = s.size();
  while (i < n && uint8_t(s[i]) <= ' ') ++i;
  while (n > i && uint8_t(s[n - 1]) <= ' ') --n;
  out.clear();
  if (i < n && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') out += '-';
    ++i;
  }
  size_t digits = 0;
  while (i < n && s[i] >= '0' && s[i] <= '9') { out += s[i++]; ++digits; }
  if (i < n && s[i] == fs.DecimalSeparator) {
    out += '.';
    ++i;
    while (i < n && s[i] >= '0' && s[i] <= '9') { out += s[i++]; ++digits; }
  }
  if (digits == 0) return false;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    out += 'e';
    ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) out += s[i++];
    size_t exp_digits = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9') { out += s[i++]; ++exp_digits; }
    if (exp_digits == 0) return false;
  }
  return i == n;
}

// ---------------------------------------------------------------------------------------------
// Format

[[noreturn]] void BadFormat(const String& fmt) {
  throw EConvertError("Format '" + fmt + "' invalid or incompatible with argument");
}

String PadTo(const String& s, int width, bool left_justify) {
  int len = CharCount(s);
  if (width <= len) return s;
  String pad(size_t(width - len), ' ');
  return left_justify ? s + pad : pad + s;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

String Format(const String& fmt, TFormatArgs args) { return Format(fmt, args, FormatSettings); }

String Format(const String& fmt, TFormatArgs args, const TFormatSettings& fs) {
  String out;
  const TVarRec* argv = args.begin();
  size_t argc = args.size();
  size_t next = 0;
  auto take = [&]() -> const TVarRec& {
    if (next >= argc) throw EConvertError("No argument for format '" + fmt + "'");
    return argv[next++];
  };
  auto read_number = [&](size_t& i, int& value) -> bool {
    if (i < fmt.size() && fmt[i] == '*') {
      const TVarRec& a = take();
      if (a.VType() != TVarRec::vtInteger && a.VType() != TVarRec::vtInt64) BadFormat(fmt);
      value = int(a.AsInt64());
      ++i;
      return true;
    }
    bool any = false;
    value = 0;
    while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
      value = value * 10 + (fmt[i] - '0');
      if (value > 100000) BadFormat(fmt);
      ++i;
      any = true;
    }
    return any;
  };
  for (size_t i = 0; i < fmt.size();) {
    if (fmt[i] != '%') {
      out += fmt[i++];
      continue;
    }
    ++i;
    if (i >= fmt.size()) BadFormat(fmt);
    if (fmt[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    // [index ":"] ["-"] [width] ["." precision] type
    size_t mark = i;
    int number = 0;
    bool has_number = false;
    if (fmt[i] != '*' && fmt[i] != '-') has_number = read_number(i, number);
    if (has_number && i < fmt.size() && fmt[i] == ':') {
      if (size_t(number) >= argc) throw EConvertError("No argument for format '" + fmt + "'");
      next = size_t(number);
      ++i;
      has_number = false;
    } else if (has_number) {
      i = mark;  // it was the width
      has_number = false;
    }
    bool left = false;
    if (i < fmt.size() && fmt[i] == '-') {
      left = true;
      ++i;
    }
    int width = 0;
    read_number(i, width);
    if (width < 0) {
      left = true;
      width = -width;
    }
    int precision = -1;
    if (i < fmt.size() && fmt[i] == '.') {
      ++i;
      if (!read_number(i, precision)) precision = 0;
    }
    if (i >= fmt.size()) BadFormat(fmt);
    char type = char(fmt[i] | 0x20);  // conversions are case-insensitive
    ++i;
    const TVarRec& a = take();
    bool is_int = a.VType() == TVarRec::vtInteger || a.VType() == TVarRec::vtInt64;
    bool is_float = a.VType() == TVarRec::vtExtended || a.VType() == TVarRec::vtCurrency;
    TDecimal dec;
    if (is_float)
      dec = a.VType() == TVarRec::vtCurrency ? DecimalOf(a.AsCurrency()) : DecimalOf(a.AsDouble(), 15);
    // Digits come from the value (15 for a double); fixed notation holds up to 19 integer
    // digits before it gives way to the general format.
    int max_prec = a.VType() == TVarRec::vtCurrency ? 19 : 15;
    String text;
    switch (type) {
      case 'd':
      case 'u':
      case 'x': {
        if (!is_int) BadFormat(fmt);
        Int64 v = a.AsInt64();
        bool neg = false;
        String digits;
        if (type == 'x') {
          UInt64 bits = a.VType() == TVarRec::vtInteger ? UInt64(uint32_t(v)) : UInt64(v);
          digits = IntToHexBits(bits, 0);
        } else if (type == 'u') {
          UInt64 bits = a.VType() == TVarRec::vtInteger ? UInt64(uint32_t(v)) : UInt64(v);
          digits = std::to_string(bits);
        } else {
          neg = v < 0;
          digits = std::to_string(neg ? UInt64(0) - UInt64(v) : UInt64(v));
        }
        if (precision > int(digits.size())) digits.insert(0, size_t(precision) - digits.size(), '0');
        text = (neg ? "-" : "") + digits;
        break;
      }
      case 'e':
        if (!is_float) BadFormat(fmt);
        text = FloatText(dec, ffExponent, precision < 0 ? 15 : precision, 3, max_prec, fs);
        break;
      case 'f':
        if (!is_float) BadFormat(fmt);
        text = FloatText(dec, ffFixed, 19, precision < 0 ? 2 : precision, 19, fs);
        break;
      case 'g':
        if (!is_float) BadFormat(fmt);
        text = FloatText(dec, ffGeneral, precision < 0 ? 15 : precision, 0, max_prec, fs);
        break;
      case 'n':
        if (!is_float) BadFormat(fmt);
        text = FloatText(dec, ffNumber, 19, precision < 0 ? 2 : precision, 19, fs);
        break;
      case 'm':
        if (!is_float) BadFormat(fmt);
        text = FloatText(dec, ffCurrency, 19, precision < 0 ? fs.CurrencyDecimals : precision, 19, fs);
        break;
      case 's':
        if (a.VType() != TVarRec::vtString && a.VType() != TVarRec::vtChar) BadFormat(fmt);
        text = String(a.AsString());
        if (precision >= 0) text = CopyChars(text, 1, precision);
        break;
      case 'p':
        if (a.VType() != TVarRec::vtPointer) BadFormat(fmt);
        text = IntToHexBits(UInt64(reinterpret_cast<uintptr_t>(a.AsPointer())), int(sizeof(void*) * 2));
        break;
      default:
        BadFormat(fmt);
    }
    out += PadTo(text, width, left);
  }
  return out;
}

String FloatToStr(double value) { return FloatToStr(value, FormatSettings); }
String FloatToStr(double value, const TFormatSettings& fs) {
  return FloatText(DecimalOf(value, 15), ffGeneral, 15, 0, 15, fs);
}

String FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  return FloatToStrF(value, format, precision, digits, FormatSettings);
}
String FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs) {
  // As everywhere else: 15 significant digits first, then half away from zero on those
  // digits (a direct rounding of the binary value would give 1234 for 1234.5 at 4 digits).
  int p = ClampPrecision(precision, 17);
  TDecimal d = DecimalOf(value, p > 15 ? p : 15);
  RoundAt(d, p);
  return FloatText(d, format, p, digits, 17, fs);
}

String FormatFloat(const String& pattern, double value) { return FormatFloat(pattern, value, FormatSettings); }
String FormatFloat(const String& pattern, double value, const TFormatSettings& fs) {
  return FormatDecimal(pattern, DecimalOf(value, 15), std::fabs(value), 15, fs);
}

bool TryStrToFloat(const String& s, double& value) { return TryStrToFloat(s, value, FormatSettings); }
bool TryStrToFloat(const String& s, double& value, const TFormatSettings& fs) {
  String c;
  if (!NormaliseNumber(s, fs, c)) return false;
  double v = 0;
  auto r = std::from_chars(c.data(), c.data() + c.size(), v);
  if (r.ec != std::errc() || r.ptr != c.data() + c.size() || std::isinf(v)) return false;
  value = v;
  return true;
}

double StrToFloat(const String& s) { return StrToFloat(s, FormatSettings); }
double StrToFloat(const String& s, const TFormatSettings& fs) {
  double v;
  if (!TryStrToFloat(s, v, fs)) throw EConvertError("'" + s + "' is not a valid floating point value");
  return v;
}

double StrToFloatDef(const String& s, double def) { return StrToFloatDef(s, def, FormatSettings); }
double StrToFloatDef(const String& s, double def, const TFormatSettings& fs) {
  double v;
  return TryStrToFloat(s, v, fs) ? v : def;
}

// ---------------------------------------------------------------------------------------------
// Currency text

String CurrToStr(Currency value) { return CurrToStr(value, FormatSettings); }
String CurrToStr(Currency value, const TFormatSettings& fs) {
  return FloatText(DecimalOf(value), ffGeneral, 19, 0, 19, fs);
}

String CurrToStrF(Currency value, TFloatFormat format, int digits) {
  return CurrToStrF(value, format, digits, FormatSettings);
}
String CurrToStrF(Currency value, TFloatFormat format, int digits, const TFormatSettings& fs) {
  return FloatText(DecimalOf(value), format, 19, digits, 19, fs);
}

String FormatCurr(const String& pattern, Currency value) { return FormatCurr(pattern, value, FormatSettings); }
String FormatCurr(const String& pattern, Currency value, const TFormatSettings& fs) {
  return FormatDecimal(pattern, DecimalOf(value), std::fabs(value.ToDouble()), 19, fs);
}

bool TryStrToCurr(const String& s, Currency& value) { return TryStrToCurr(s, value, FormatSettings); }
bool TryStrToCurr(const String& s, Currency& value, const TFormatSettings& fs) {
  String c;
  if (!NormaliseNumber(s, fs, c)) return false;
  // Exact decimal: mantissa digits and a power of ten, then half to even at four decimals.
  bool neg = !c.empty() && c[0] == '-';
  String digits;
  int point = -1;
  size_t i = neg ? 1 : 0;
  for (; i < c.size() && c[i] != 'e'; ++i) {
    if (c[i] == '.') point = int(digits.size());
    else digits += c[i];
  }
  int exp = 0;
  if (i < c.size()) {
    auto r = std::from_chars(c.data() + i + 1 + (c[i + 1] == '+' ? 1 : 0), c.data() + c.size(), exp);
    if (r.ec != std::errc()) return false;
  }
  if (point < 0) point = int(digits.size());
  size_t first = digits.find_first_not_of('0');
  if (first == String::npos) {
    value = Currency();
    return true;
  }
  // value = 0.digits[first..] x 10^(point - first + exp)
  TDecimal d;
  d.digits = digits.substr(first);
  d.exponent = point - int(first) + exp;
  StripTrailingZeros(d);
  if (d.exponent > 15) return false;
  // Scaled integer digits and the rest.
  int keep = d.exponent + 4;
  if (keep < 0) {
    value = Currency();
    return true;
  }
  String whole;
  for (int k = 0; k < keep; ++k) whole += DigitAt(d, k);
  UInt64 u = 0;
  for (char ch : whole) u = u * 10 + UInt64(ch - '0');  // at most 19 digits: no overflow
  // Half to even on the remaining digits.
  String rest = keep < int(d.digits.size()) ? d.digits.substr(size_t(keep)) : "";
  if (!rest.empty()) {
    bool above_half = rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != String::npos);
    bool half = rest[0] == '5' && !above_half;
    if (above_half || (half && (u & 1))) ++u;
  }
  if (u > UInt64(INT64_MAX)) return false;
  value = Currency::FromRaw(neg ? -Int64(u) : Int64(u));
  return true;
}

Currency StrToCurr(const String& s) { return StrToCurr(s, FormatSettings); }
Currency StrToCurr(const String& s, const TFormatSettings& fs) {
  Currency v;
  if (!TryStrToCurr(s, v, fs)) throw EConvertError("'" + s + "' is not a valid floating point value");
  return v;
}

Currency StrToCurrDef(const String& s, Currency def) {
  Currency v;
  return TryStrToCurr(s, v) ? v : def;
}

String CurrencyFormatPattern(const TFormatSettings& settings) {
  String number = ",0.";
  number.append(settings.CurrencyDecimals, '0');
  String symbol;
  for (char c : settings.CurrencyString) {
    if (c == ',' || c == '.') {
      symbol += '\'';
      symbol += c;
      symbol += '\'';
    } else {
      symbol += c;
    }
  }
  // The symbol placed as in CurrencyText, with no positive section when there is no symbol and
  // empty sections for formats out of range.
  TFormatSettings quoted = settings;
  quoted.CurrencyString = symbol;
  String positive = symbol.empty() || settings.CurrencyFormat > 3 ? String() : CurrencyText(number, false, quoted);
  String negative = settings.NegCurrFormat > 15 ? String() : CurrencyText(number, true, quoted);
  return positive + ";" + negative;
}
