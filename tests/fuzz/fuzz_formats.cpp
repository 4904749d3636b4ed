// Display, number and date format strings with random values: number patterns with sections
// (FormatFloat, FormatCurr, the pivot grid's and the summaries' formatting), date and time
// patterns (FormatDateTime), and locale date formats turned into the editors' masks by the
// format controller. Any value: NaN, infinities, denormals, extreme dates. A pattern may be
// refused with EConvertError; nothing else may escape, and every mask built must compile.
// Input: a selector byte, the pattern up to a zero byte, then the values.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "FuzzSession.h"
#include "editors/cxDateUtils.h"
#include "editors/cxFormats.h"
#include "editors/cxRegExpr.h"
#include "editors/cxStandardMask.h"
#include "pivotgrid/cxCustomPivotGrid.h"
#include "rtl/SysUtils.h"

namespace {

double DoubleOf(TFuzzInput& in) {
  static const double kSpecial[] = {std::numeric_limits<double>::quiet_NaN(),
                                    std::numeric_limits<double>::infinity(),
                                    -std::numeric_limits<double>::infinity(),
                                    std::numeric_limits<double>::max(),
                                    -std::numeric_limits<double>::max(),
                                    std::numeric_limits<double>::denorm_min(),
                                    std::numeric_limits<double>::min(),
                                    -0.0,
                                    0.5,
                                    -1.5,
                                    2958465.99999999,  // 9999-12-31 23:59:59.999
                                    -693593.5,         // 0001-01-01 12:00
                                    1e15,
                                    9.999999999999999e14,
                                    123456789.125};
  const uint8_t pick = in.Byte();
  if (pick < sizeof(kSpecial) / sizeof(kSpecial[0])) return kSpecial[pick];
  const uint64_t bits = in.Word64();
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return pick & 1 ? d : double(int64_t(bits) % 100000000) / double(1 + pick);
}

void Fail(const char* what, const String& pattern) {
  std::fprintf(stderr, "fuzz: %s (pattern \"%s\")\n", what, pattern.c_str());
  std::abort();
}

// A format that names the locale's formats again ("c", "ddddd", "tt") expands into a long mask,
// which the expression compiler refuses as too complex, by design.
bool TooComplex(const EcxRegExprError& e) {
  return e.Errors().Count() > 0 && e.Errors().Item(0).ErrorText().find("too complex") != String::npos;
}

// A mask the format controller built must be one the mask edit can take.
void CheckMasks(const String& pattern) {
  TcxFormatController* fc = GlobalFormatController();
  for (const String* m : {&fc->DateMaskRegExpr(), &fc->DateTimeMaskRegExpr()}) {
    if (m->empty()) continue;  // no mask
    TcxRegExpr expr;
    TStringStream source(*m);
    try {
      expr.Compile(&source);
    } catch (const EcxRegExprError& e) {
      if (TooComplex(e)) continue;
      if (e.Errors().Count() > 0) std::fprintf(stderr, "%s\n", e.Errors().Item(0).ErrorText().c_str());
      Fail(("the format controller built a regular-expression mask that does not compile: " + *m).c_str(), pattern);
    }
  }
  for (const String* m : {&fc->DateStandardMask(), &fc->DateTimeStandardMask()}) {
    TcxStandardMask mask;
    mask.SetMask(*m);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StartFuzzSession();
  TFuzzInput in(data, size);
  const uint8_t selector = in.Byte();
  const String pattern = in.Text(0);
  if (pattern.size() > 4096) return 0;
  switch (selector % 5) {
    case 0:  // number patterns
      for (int i = 0; i < 4 && (i == 0 || !in.Empty()); ++i) {
        const double value = DoubleOf(in);
        try {
          (void)FormatFloat(pattern, value);
        } catch (const EConvertError&) {
        }
        String text;
        cxPivotGridFormatValue(Variant(value), pattern, false, text);
      }
      break;
    case 1: {  // currency patterns
      for (int i = 0; i < 4 && (i == 0 || !in.Empty()); ++i) {
        const Currency c = Currency::FromRaw(Int64(in.Word64()));
        try {
          (void)FormatCurr(pattern, c);
        } catch (const EConvertError&) {
        }
      }
      break;
    }
    case 2:  // date and time patterns
      for (int i = 0; i < 4 && (i == 0 || !in.Empty()); ++i) {
        const double value = DoubleOf(in);
        try {
          (void)FormatDateTime(pattern, value);
        } catch (const EConvertError&) {
        }
      }
      break;
    default: {  // locale formats, the masks built from them and the date edit's texts
      const TFormatSettings saved = FormatSettings;
      const String other = in.Text(0);
      // The locale's formats are short well-formed UTF-8 (a mask of a long one is refused by
      // the expression compiler as too complex, by design).
      if (!IsValidUtf8(pattern) || !IsValidUtf8(other) || pattern.size() > 64 || other.size() > 64) return 0;
      if (selector & 8) {
        FormatSettings.ShortDateFormat = pattern;
        FormatSettings.LongTimeFormat = other;
      } else {
        FormatSettings.LongTimeFormat = pattern;
        FormatSettings.ShortDateFormat = other;
      }
      // Separators are printable ASCII characters (the locale settings make them so).
      if (selector & 16) FormatSettings.DateSeparator = char(0x20 + in.Byte() % 95);
      if (selector & 32) FormatSettings.TimeSeparator = char(0x20 + in.Byte() % 95);
      if (selector & 64) {
        const String am = in.Short(8);
        if (IsValidUtf8(am)) FormatSettings.TimeAMString = am;
      }
      TcxDateTimeFormatInfo info;
      if (ParseDateTimeFormat(pattern, info)) {
        (void)BuildStandardMask(info);
        (void)BuildMaskDisplayFormat(info);
        (void)FormatTextLength(info);
        const String mask = BuildRegExprMask(info, selector & 128);
        TcxRegExpr expr;
        TStringStream source(mask);
        try {
          if (!mask.empty()) expr.Compile(&source);  // empty: no mask
        } catch (const EcxRegExprError& e) {
          if (!TooComplex(e)) {
            if (e.Errors().Count() > 0) std::fprintf(stderr, "%s\n", e.Errors().Item(0).ErrorText().c_str());
            Fail(("a date format gave a regular-expression mask that does not compile: " + mask).c_str(), pattern);
          }
        }
      }
      GlobalFormatController()->Refresh();
      CheckMasks(pattern);
      for (int i = 0; i < 3 && (i == 0 || !in.Empty()); ++i) {
        const double value = DoubleOf(in);
        String text;
        FormatDateForEdit(selector & 1, selector & 2, selector & 4, text, value);
        FormatDateLocale(selector & 4, text, value);
        try {
          (void)DateTimeToStr(value);
        } catch (const EConvertError&) {
        }
      }
      FormatSettings = saved;
      GlobalFormatController()->Refresh();
      break;
    }
  }
  return 0;
}
