// Format, floating-point and currency text.
#include "rtl/SysUtils.h"

#define KORVAN_TODO throw Exception("not implemented yet")

String Format(const String& fmt, TFormatArgs args) { return Format(fmt, args, FormatSettings); }
String Format(const String& fmt, TFormatArgs args, const TFormatSettings& settings) { KORVAN_TODO; }
String FloatToStr(double value) { return FloatToStr(value, FormatSettings); }
String FloatToStr(double value, const TFormatSettings& settings) { KORVAN_TODO; }
String FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  return FloatToStrF(value, format, precision, digits, FormatSettings);
}
String FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                   const TFormatSettings& settings) { KORVAN_TODO; }
String FormatFloat(const String& pattern, double value) { return FormatFloat(pattern, value, FormatSettings); }
String FormatFloat(const String& pattern, double value, const TFormatSettings& settings) { KORVAN_TODO; }
double StrToFloat(const String& s) { return StrToFloat(s, FormatSettings); }
double StrToFloat(const String& s, const TFormatSettings& settings) {
  double v;
  if (!TryStrToFloat(s, v, settings)) throw EConvertError("'" + s + "' is not a valid floating point value");
  return v;
}
bool TryStrToFloat(const String& s, double& value) { return TryStrToFloat(s, value, FormatSettings); }
bool TryStrToFloat(const String& s, double& value, const TFormatSettings& settings) { KORVAN_TODO; }
double StrToFloatDef(const String& s, double def) { return StrToFloatDef(s, def, FormatSettings); }
double StrToFloatDef(const String& s, double def, const TFormatSettings& settings) {
  double v;
  return TryStrToFloat(s, v, settings) ? v : def;
}
String CurrToStr(Currency value) { return CurrToStr(value, FormatSettings); }
String CurrToStr(Currency value, const TFormatSettings& settings) { KORVAN_TODO; }
String CurrToStrF(Currency value, TFloatFormat format, int digits) {
  return CurrToStrF(value, format, digits, FormatSettings);
}
String CurrToStrF(Currency value, TFloatFormat format, int digits, const TFormatSettings& settings) { KORVAN_TODO; }
String FormatCurr(const String& pattern, Currency value) { return FormatCurr(pattern, value, FormatSettings); }
String FormatCurr(const String& pattern, Currency value, const TFormatSettings& settings) { KORVAN_TODO; }
Currency StrToCurr(const String& s) { return StrToCurr(s, FormatSettings); }
Currency StrToCurr(const String& s, const TFormatSettings& settings) {
  Currency v;
  if (!TryStrToCurr(s, v, settings)) throw EConvertError("'" + s + "' is not a valid floating point value");
  return v;
}
bool TryStrToCurr(const String& s, Currency& value) { return TryStrToCurr(s, value, FormatSettings); }
bool TryStrToCurr(const String& s, Currency& value, const TFormatSettings& settings) { KORVAN_TODO; }
Currency StrToCurrDef(const String& s, Currency def) {
  Currency v;
  return TryStrToCurr(s, v) ? v : def;
}
