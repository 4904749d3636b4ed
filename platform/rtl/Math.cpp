#include "rtl/Math.h"

#include <cmath>
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

double RoundTo(double value, int digit) { return value; }
double SimpleRoundTo(double value, int digit) { return value; }

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
