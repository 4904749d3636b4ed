// FormatFloat, FloatToStr(F), StrToFloat, Currency text and Format, in English (United States)
// settings unless a case says otherwise.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "rtl/SysUtils.h"

namespace {

TFormatSettings English() { return TFormatSettings::EnglishUS(); }

TFormatSettings German() {
  TFormatSettings f = TFormatSettings::EnglishUS();
  f.DecimalSeparator = ',';
  f.ThousandSeparator = '.';
  f.CurrencyString = "EUR";
  f.CurrencyFormat = 3;
  f.NegCurrFormat = 8;
  return f;
}

struct FloatPatternCase {
  const char* pattern;
  double value;
  const char* expected;
};

TEST(FormatFloat, Patterns) {
  const FloatPatternCase cases[] = {
      // The dialog's sample: rounding on the decimal value, half away from zero.
      {"#,##0.00", 9999999.5555, "9,999,999.56"},
      {"#,##0.00", -9999999.5555, "-9,999,999.56"},
      {"0.00", 1.005, "1.01"},
      {"0.00", 2.675, "2.68"},
      {"0.0", 0.15, "0.2"},
      {"0", 0.5, "1"},
      {"0", 2.5, "3"},
      {"0", -2.5, "-3"},
      {"#,##0.00", 0.995, "1.00"},
      // Placeholders: "0" pads, "#" does not; extra integer digits go before the first one.
      {"00000", 123, "00123"},
      {"#", 0, ""},
      {"#.##", 0, ""},
      {"#.###", 0.5, ".5"},
      {"0.###", 1.5, "1.5"},
      {"0.###", 1.23456, "1.235"},
      {"0.#0#", 1.2, "1.20"},
      {"###", 12345, "12345"},
      {"0 0", 12345, "1234 5"},
      {".00", 12.5, "12.50"},
      {".00", 0.5, ".50"},
      {"#;(#)", -5, "(5)"},
      {"x0x0x", 12345, "x1234x5x"},
      // Thousands: a comma anywhere among the digits groups the whole integer part.
      {"#,##0", 1234567, "1,234,567"},
      {"0,000", 12, "0,012"},
      {"#,#", 1234567.891, "1,234,568"},
      {",0", 1234, "1,234"},
      {"0.0,", 1234567.5, "1,234,567.5"},
      {"#,##0.00", 1e15, "1,000,000,000,000,000.00"},
      // Currency display formats built from the locale: a leading comma, a bare point.
      {"$ ,0.00", 1234.5, "$ 1,234.50"},
      {",0.", 1234.4, "1,234"},
      {",0.00 'kr'", -2, "-2.00 kr"},
      // Only the first point is the decimal point.
      {"0.0.0", 1.25, "1.25"},
      // Exponents.
      {"0.00E+00", 12345, "1.23E+04"},
      {"0.00E-00", 12345, "1.23E04"},
      {"0.00E-00", 0.00012345, "1.23E-04"},
      {"0.00e+0", 12345, "1.23e+4"},
      {"##0.0E+0", 12345, "123.5E+2"},
      {"#.##E+00", 0, "0E+00"},
      {"0E+0", 5, "5E+0"},
      // Literal text.
      {"'abc'0", 5, "abc5"},
      {"\"x\"0.0\"y\"", 5.55, "x5.6y"},
      {"0%", 0.5, "1%"},
      {"$#,##0.00", 1234.5, "$1,234.50"},
      {"0.00 \"EUR\"", 3, "3.00 EUR"},
      {"'#,0;'0", 7, "#,0;7"},
      {"abc", 5, "abc"},
      {"0 \u5186", 1500, "1500 \u5186"},
      // Sections: positive;negative;zero. An empty section falls back to the first.
      {"0.00;(0.00)", -1.5, "(1.50)"},
      {"0.00;(0.00);zero", 0, "zero"},
      {"0.00;;zero", -2, "-2.00"},
      {"0.00;(0.00);", 0, "0.00"},
      // A value that rounds to zero is zero: the zero section, never a minus sign.
      {"0.00;(0.00);zero", 0.001, "zero"},
      {"0.00", -0.004, "0.00"},
      {"0.00;(0.00)", -0.004, "0.00"},
      // Empty pattern and values beyond 18 digits use the general format.
      {"", 1.5, "1.5"},
      {"", 1e20, "1E20"},
      {"#,##0.00", 1e18, "1E18"},
      {"0", 1e20, "1E20"},
      {"0.00", -0.0, "0.00"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatFloat(c.pattern, c.value, English()), c.expected) << c.pattern << " " << c.value;
}

TEST(FormatFloat, UsesTheLocaleSeparators) {
  EXPECT_EQ(FormatFloat("#,##0.00", 9999999.5555, German()), "9.999.999,56");
  TFormatSettings none = English();
  none.ThousandSeparator = '\0';
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567, none), "1234567.00");
  // The default overload follows the global settings.
  TFormatSettings saved = FormatSettings;
  FormatSettings = German();
  EXPECT_EQ(FormatFloat("0.0", 2.25), "2,3");
  FormatSettings = saved;
}

TEST(FormatFloat, SpecialValues) {
  EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::quiet_NaN(), English()), "NAN");
  EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::infinity(), English()), "INF");
  EXPECT_EQ(FormatFloat("0.00", -std::numeric_limits<double>::infinity(), English()), "-INF");
}

TEST(FormatFloat, RejectsPatternsItCannotApply) {
  const char* rejected[] = {
      "0;1;2;3",    // more than three sections
      "0 'abc",     // unterminated literal
      "0 \"abc",    //
      "0.0E+",      // exponent without digits
      "E+0",        // exponent without a mantissa
      "0E+0E+0",    // two exponents
      "0E+00.0",    // digits after the exponent
  };
  for (const char* p : rejected) {
    try {
      FormatFloat(p, 9999999.5555, English());
      ADD_FAILURE() << "accepted " << p;
    } catch (const EConvertError& e) {
      EXPECT_NE(String(e.Message()).find(p), String::npos) << e.Message();
    }
  }
}

TEST(FloatToStr, GeneralFormatWithFifteenDigits) {
  const struct {
    double value;
    const char* expected;
  } cases[] = {
      {0, "0"},
      {0.1, "0.1"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {-1.5, "-1.5"},
      {100, "100"},
      {1e14, "100000000000000"},
      {1e15, "1E15"},
      {999999999999999.9, "1E15"},
      {123456789012345678.0, "1.23456789012346E17"},
      {1.23456789012345678, "1.23456789012346"},
      {0.0001, "0.0001"},
      {0.00001, "0.00001"},
      {1.5e-5, "0.000015"},
      {1e-6, "1E-6"},
      {1e-10, "1E-10"},
      {2.5e300, "2.5E300"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.value, English()), c.expected) << c.value;
  EXPECT_EQ(FloatToStr(1234.5, German()), "1234,5");
}

TEST(FloatToStrF, EachFormat) {
  const struct {
    double value;
    TFloatFormat format;
    int precision, digits;
    const char* expected;
  } cases[] = {
      {1234.5678, ffGeneral, 4, 0, "1235"},
      {1234.5678, ffGeneral, 3, 0, "1.23E3"},
      {1234.5678, ffGeneral, 3, 2, "1.23E03"},
      {0.000012345, ffGeneral, 3, 0, "0.0000123"},
      {1234.5678, ffExponent, 6, 0, "1.23457E+3"},
      {1234.5678, ffExponent, 6, 3, "1.23457E+003"},
      {-0.000123, ffExponent, 4, 2, "-1.230E-04"},
      {0, ffExponent, 3, 2, "0.00E+00"},
      {1234.5678, ffFixed, 15, 2, "1234.57"},
      {-0.005, ffFixed, 15, 2, "-0.01"},
      {-0.004, ffFixed, 15, 2, "0.00"},
      {0.5, ffFixed, 15, 0, "1"},
      {12345, ffFixed, 3, 2, "1.23E4"},
      {1234567.5678, ffNumber, 15, 2, "1,234,567.57"},
      {-1234.5, ffNumber, 15, 0, "-1,235"},
      {1234.5, ffCurrency, 15, 2, "$1,234.50"},
      {-1234.5, ffCurrency, 15, 2, "($1,234.50)"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits, English()), c.expected)
        << c.value << " format " << c.format;
}

// A precision below 15 rounds the 15-digit decimal value half away from zero, as Format and
// FormatFloat do, so the three agree on ties that the binary value holds exactly.
TEST(FloatToStrF, ShortPrecisionRoundsLikeFormatAndFormatFloat) {
  const struct {
    double value;
    int precision;  // significant digits
    const char* general;
    int decimals;
    const char* fixed;
  } cases[] = {
      {1234.5, 4, "1235", 2, "1234.50"},
      {0.125, 2, "0.13", 2, "0.13"},
      {-0.125, 2, "-0.13", 2, "-0.13"},
      {2.5, 1, "3", 0, "3"},
      {1.005, 3, "1.01", 2, "1.01"},  // 1.00499999... in binary, 1.005 at 15 digits
      {0.3, 1, "0.3", 1, "0.3"},
      {9.995, 3, "10", 2, "10.00"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FloatToStrF(c.value, ffGeneral, c.precision, 0, English()), c.general) << c.value;
    EXPECT_EQ(Format("%." + IntToStr(c.precision) + "g", {c.value}, English()), c.general) << c.value;
    String pattern = c.decimals ? "0." + String(size_t(c.decimals), '0') : "0";
    EXPECT_EQ(FormatFloat(pattern, c.value, English()), c.fixed) << c.value;
    EXPECT_EQ(FloatToStrF(c.value, ffFixed, 15, c.decimals, English()), c.fixed) << c.value;
    EXPECT_EQ(Format("%." + IntToStr(c.decimals) + "f", {c.value}, English()), c.fixed) << c.value;
  }
  // The significant digits round first, then the decimals are shown.
  EXPECT_EQ(FloatToStrF(1234.5, ffFixed, 4, 2, English()), "1235.00");
  EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 4, 2, English()), "1,235.00");
}

TEST(FloatToStrF, CurrencyPlacements) {
  TFormatSettings f = English();
  f.CurrencyString = "EUR";
  const struct {
    Byte format, neg_format;
    const char* positive;
    const char* negative;
  } cases[] = {
      {0, 1, "EUR1.50", "-EUR1.50"},  {1, 5, "1.50EUR", "-1.50EUR"},   {2, 9, "EUR 1.50", "-EUR 1.50"},
      {3, 8, "1.50 EUR", "-1.50 EUR"}, {3, 15, "1.50 EUR", "(1.50 EUR)"}, {0, 12, "EUR1.50", "EUR -1.50"},
  };
  for (const auto& c : cases) {
    f.CurrencyFormat = c.format;
    f.NegCurrFormat = c.neg_format;
    EXPECT_EQ(FloatToStrF(1.5, ffCurrency, 15, 2, f), c.positive);
    EXPECT_EQ(FloatToStrF(-1.5, ffCurrency, 15, 2, f), c.negative);
  }
}

TEST(StrToFloat, AcceptsTheLocaleNotation) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"0", 0},         {"1.5", 1.5},     {"-1.5", -1.5},   {"+2", 2},        {".5", 0.5},
      {"5.", 5},        {"1e3", 1000},    {"1E+3", 1000},   {"-2.5e-3", -0.0025},
      {"  7.25  ", 7.25}, {"\t3\n", 3},   {"1.7976931348623157e308", 1.7976931348623157e308},
  };
  for (const auto& c : cases) {
    double v = -1;
    EXPECT_TRUE(TryStrToFloat(c.text, v, English())) << c.text;
    EXPECT_DOUBLE_EQ(v, c.value) << c.text;
  }
  EXPECT_DOUBLE_EQ(StrToFloat("1,5E3", German()), 1500);
  double v;
  EXPECT_FALSE(TryStrToFloat("1.5", v, German()));
}

TEST(StrToFloat, RejectsOtherText) {
  const char* bad[] = {"", " ", "abc", "1.5x", "1,000.5", "1e", "1e+", "--1", "1 2", ".", "-",
                       "1e400", "inf", "nan", "0x10", "1..2"};
  for (const char* t : bad) {
    double v = 42;
    EXPECT_FALSE(TryStrToFloat(t, v, English())) << t;
    EXPECT_EQ(v, 42) << "changed on failure: " << t;
    EXPECT_EQ(StrToFloatDef(t, -7, English()), -7) << t;
  }
  try {
    StrToFloat("12abc", English());
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'12abc' is not a valid floating point value");
  }
}

TEST(StrToFloat, RoundTripsFloatToStr) {
  for (double v : {0.1, 1.0 / 3, -123456.789, 1e-7, 6.02214076e23, 99999999999999.9}) {
    double back = StrToFloat(FloatToStr(v, German()), German());
    EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << v;
  }
}

TEST(CurrencyText, ExactConversions) {
  EXPECT_EQ(CurrToStr(Currency(1.5), English()), "1.5");
  EXPECT_EQ(CurrToStr(Currency::FromRaw(123456789), English()), "12345.6789");
  EXPECT_EQ(CurrToStr(Currency::MaxValue(), English()), "922337203685477.5807");
  EXPECT_EQ(CurrToStr(Currency::MinValue(), English()), "-922337203685477.5808");
  EXPECT_EQ(CurrToStr(Currency(), English()), "0");
  EXPECT_EQ(CurrToStrF(Currency::FromRaw(-12345), ffCurrency, 2, English()), "($1.23)");
  EXPECT_EQ(CurrToStrF(Currency::FromRaw(12345000000), ffNumber, 2, English()), "1,234,500.00");
  EXPECT_EQ(FormatCurr("#,##0.00", Currency::FromRaw(99999995555), English()), "9,999,999.56");
  EXPECT_EQ(FormatCurr("0.0000", Currency::MaxValue(), English()), "922337203685477.5807");
  EXPECT_EQ(FormatCurr("", Currency::MaxValue(), English()), "922337203685477.5807");

  const struct {
    const char* text;
    Int64 raw;
  } cases[] = {
      {"1.5", 15000},          {"-0.0001", -1},       {"12345.6789", 123456789}, {"1e2", 1000000},
      {"1.00005", 10000},      {"1.00015", 10002},    {"1.000051", 10001},       {"0.00001", 0},
      {"922337203685477.5807", INT64_MAX},
  };
  for (const auto& c : cases) EXPECT_EQ(StrToCurr(c.text, English()).Raw(), c.raw) << c.text;
  Currency v;
  EXPECT_FALSE(TryStrToCurr("922337203685477.5808", v, English()));
  EXPECT_FALSE(TryStrToCurr("1e16", v, English()));
  EXPECT_THROW(StrToCurr("1,5", English()), EConvertError);
  EXPECT_EQ(StrToCurr("1,5", German()).Raw(), 15000);
}

TEST(Format, Conversions) {
  const struct {
    const char* fmt;
    std::vector<TVarRec> args;
    const char* expected;
  } cases[] = {
      {"%d", {42}, "42"},
      {"%5d|%-5d|%.3d|%5.3d", {42, 42, 42, -42}, "   42|42   |042| -042"},
      {"%d", {Int64(-9000000000)}, "-9000000000"},
      {"%u", {-1}, "4294967295"},
      {"%x", {255}, "FF"},
      {"%.4x", {255}, "00FF"},
      {"%x", {-1}, "FFFFFFFF"},
      {"%x", {Int64(-1)}, "FFFFFFFFFFFFFFFF"},
      {"%e", {1234.5}, "1.23450000000000E+003"},
      {"%.3e", {1234.5}, "1.23E+003"},
      {"%f", {1234.5}, "1234.50"},
      {"%.0f", {2.5}, "3"},
      {"%.1f", {0.05}, "0.1"},
      {"%.0n", {1e15}, "1,000,000,000,000,000"},
      {"%.2f", {123456789012345678.0}, "123456789012346000.00"},
      {"%f", {1e20}, "1E20"},
      {"%5.1f|", {-2.25}, " -2.3|"},
      {"%g", {1234.5}, "1234.5"},
      {"%g", {1e20}, "1E20"},
      {"%g", {0.00001234}, "0.00001234"},
      {"%.3g", {1234.5}, "1.23E3"},
      {"%n", {1234567.891}, "1,234,567.89"},
      {"%.0n", {1234567.891}, "1,234,568"},
      {"%m", {1234.5}, "$1,234.50"},
      {"%m", {-1234.5}, "($1,234.50)"},
      {"%m", {Currency::FromRaw(-12345)}, "($1.23)"},
      {"%f", {Currency::FromRaw(99999995555)}, "9999999.56"},
      {"%s", {"abc"}, "abc"},
      {"%5s|%-5s|%.2s", {"abc", "abc", "abc"}, "  abc|abc  |ab"},
      {"%s and %s", {'x', std::string_view("y")}, "x and y"},
      // Width and precision count characters of UTF-8 text.
      {"%4s|%.2s", {"\u65e5\u672c", "\u65e5\u672c\u8a9e"}, "  \u65e5\u672c|\u65e5\u672c"},
      {"%1:s %0:s %s", {"a", "b", "c"}, "b a b"},
      {"%*d", {5, 42}, "   42"},
      {"%-*.*f|", {8, 2, 3.14159}, "3.14    |"},
      {"%*d|", {-4, 7}, "7   |"},
      {"100%%", {}, "100%"},
      {"%D %S", {1, "s"}, "1 s"},
      {"%p", {static_cast<const void*>(nullptr)}, "0000000000000000"},
  };
  for (const auto& c : cases) {
    // Rebuild the initializer list the public overload takes.
    String got;
    switch (c.args.size()) {
      case 0: got = Format(c.fmt, {}, English()); break;
      case 1: got = Format(c.fmt, {c.args[0]}, English()); break;
      case 2: got = Format(c.fmt, {c.args[0], c.args[1]}, English()); break;
      case 3: got = Format(c.fmt, {c.args[0], c.args[1], c.args[2]}, English()); break;
      default: got = Format(c.fmt, {c.args[0], c.args[1], c.args[2], c.args[3]}, English()); break;
    }
    EXPECT_EQ(got, c.expected) << c.fmt;
  }
  EXPECT_EQ(Format("%.2f", {1.5}, German()), "1,50");
  EXPECT_EQ(Format("%s has %d rows", {String("t.csv"), 100}), "t.csv has 100 rows");
}

TEST(Format, BadFormatsAndArguments) {
  const struct {
    const char* fmt;
    std::vector<TVarRec> args;
    const char* message;
  } cases[] = {
      {"%d", {"x"}, "Format '%d' invalid or incompatible with argument"},
      {"%s", {1}, "Format '%s' invalid or incompatible with argument"},
      {"%d", {1.5}, "Format '%d' invalid or incompatible with argument"},
      {"%f", {1}, "Format '%f' invalid or incompatible with argument"},
      {"%s", {true}, "Format '%s' invalid or incompatible with argument"},
      {"%z", {1}, "Format '%z' invalid or incompatible with argument"},
      {"abc%", {1}, "Format 'abc%' invalid or incompatible with argument"},
      {"%5", {1}, "Format '%5' invalid or incompatible with argument"},
      {"%*d", {"w", 1}, "Format '%*d' invalid or incompatible with argument"},
      {"%d %d", {1}, "No argument for format '%d %d'"},
      {"%3:d", {1}, "No argument for format '%3:d'"},
  };
  for (const auto& c : cases) {
    try {
      if (c.args.size() == 1) Format(c.fmt, {c.args[0]}, English());
      else Format(c.fmt, {c.args[0], c.args[1]}, English());
      ADD_FAILURE() << "accepted " << c.fmt;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  EXPECT_THROW(Format("%d", {}, English()), EConvertError);
}

}  // namespace
