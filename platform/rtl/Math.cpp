#include "rtl/Math.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <charconv>
#include <limits>

#include "rtl/System.h"

namespace {
void CheckWhole(double v) {
  if (std::isnan(v) || std::isinf(v) || v >= 9223372036854775808.0 || v < -9223372036854775808.0)
    throw EInvalidOp("Invalid floating point operation");
}
}  // namespace

Int64 Round(double value) {
  CheckWhole(value);
  double r = std::nearbyint(value);  // the default rounding mode: half to even
  CheckWhole(r);
  return Int64(r);
}

Int64 Trunc(double value) {
  CheckWhole(value);
  return Int64(std::trunc(value));
}

double Frac(double value) { return value - std::trunc(value); }

Integer MulDiv(Integer a, Integer b, Integer c) {
  if (c == 0) return -1;
  Int64 p = Int64(a) * Int64(b);
  Int64 q = p / c;
  Int64 r = p % c;
  // Half away from zero: |2r| >= |c| moves away from zero in the direction of the sign.
  if (r != 0) {
    UInt64 ar = UInt64(r < 0 ? -r : r), ac = UInt64(c < 0 ? -Int64(c) : Int64(c));
    if (2 * ar >= ac) q += ((p < 0) != (c < 0)) ? -1 : 1;
  }
  if (q > std::numeric_limits<Integer>::max() || q < std::numeric_limits<Integer>::min()) return -1;
  return Integer(q);
}

Int64 Floor(double value) {
  CheckWhole(value);
  return Int64(std::floor(value));
}

Int64 Ceil(double value) {
  CheckWhole(value);
  return Int64(std::ceil(value));
}

namespace {
// Rounds at the power of ten 10^digit on the value's 15 significant decimal digits, so that
// 1.005 is a half (as written) although the nearest double lies below it.
double RoundDecimal(double value, int digit, bool half_even) {
  if (digit < -37 || digit > 37) throw EInvalidOp("Invalid floating point operation");
  if (!std::isfinite(value) || value == 0) return value;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
  // buf: "d.dddddddddddddde+XX"
  char digits[16];
  int n = 0;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') digits[n++] = *p;
  int e = std::atoi(p + 1);
  int keep = e - digit + 1;  // digits at or above 10^digit
  if (keep >= n) return value;
  if (keep < 0) return 0.0 * value;
  unsigned long long kept = 0;
  for (int i = 0; i < keep; ++i) kept = kept * 10 + unsigned(digits[i] - '0');
  bool above = digits[keep] > '5';
  bool half = digits[keep] == '5';
  if (half) {
    for (int i = keep + 1; i < n; ++i)
      if (digits[i] != '0') above = true;
    if (above) half = false;
  }
  if (above || (half && (!half_even || (kept & 1)))) ++kept;
  int len = std::snprintf(buf, sizeof buf, "%llue%d", kept, digit);
  double r = 0;
  std::from_chars(buf, buf + len, r);  // independent of the C locale
  return value < 0 ? -r : r;
}
}  // namespace

double RoundTo(double value, int digit) { return RoundDecimal(value, digit, true); }
double SimpleRoundTo(double value, int digit) { return RoundDecimal(value, digit, false); }

TValueRelationship CompareValue(double a, double b, double epsilon) {
  if (SameValue(a, b, epsilon)) return EqualsValue;
  return a < b ? LessThanValue : GreaterThanValue;
}

bool SameValue(double a, double b, double epsilon) {
  if (epsilon == 0) epsilon = std::fmax(std::fmin(std::fabs(a), std::fabs(b)) * 1e-12, 1e-12);
  if (a > b) return a - b <= epsilon;
  return b - a <= epsilon;
}

bool IsNan(double value) { return std::isnan(value); }
bool IsInfinite(double value) { return std::isinf(value); }

double IntPower(double base, int exponent) {
  unsigned long long n = exponent < 0 ? 0ULL - (unsigned long long)(long long)exponent : (unsigned long long)exponent;
  double r = 1, b = base;
  while (n) {
    if (n & 1) r *= b;
    b *= b;
    n >>= 1;
  }
  return exponent < 0 ? 1 / r : r;
}

double Power(double base, double exponent) {
  if (exponent == std::trunc(exponent) && std::fabs(exponent) <= 2147483647.0)
    return IntPower(base, int(exponent));
  return std::pow(base, exponent);
}
