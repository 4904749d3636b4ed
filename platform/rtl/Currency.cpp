#include "rtl/Currency.h"

#include <cmath>

#include "rtl/Math.h"
#include "rtl/System.h"

Currency::Currency(double v) {
  // Rounded on the decimal value, as written: 0.00015 is a half and goes to the even 0.0002.
  double scaled = std::isfinite(v) ? std::nearbyint(RoundTo(v, -4) * double(Scale)) : v;
  if (std::isnan(scaled) || scaled >= 9223372036854775808.0 || scaled < -9223372036854775808.0)
    throw EConvertError("Floating point value out of the range of Currency");
  raw_ = Int64(scaled);
}

Int64 Currency::Round() const {
  Int64 q = raw_ / Scale, r = raw_ % Scale;
  Int64 ar = r < 0 ? -r : r;
  if (ar * 2 > Scale || (ar * 2 == Scale && (q & 1))) q += raw_ < 0 ? -1 : 1;
  return q;
}

namespace {
// n / d rounded half to even, in 128 bits; raises EIntOverflow outside Int64.
Int64 DivideHalfEven(__int128 n, __int128 d) {
  if (d < 0) {
    n = -n;
    d = -d;
  }
  __int128 q = n / d, r = n % d;
  __int128 twice = (r < 0 ? -r : r) * 2;
  if (twice > d || (twice == d && (q & 1))) q += n < 0 ? -1 : 1;
  if (q > INT64_MAX || q < INT64_MIN) throw EIntOverflow("Arithmetic overflow");
  return Int64(q);
}
}  // namespace

Currency operator*(Currency a, Currency b) {
  return Currency::FromRaw(DivideHalfEven(__int128(a.raw_) * b.raw_, Currency::Scale));
}

Currency operator/(Currency a, Currency b) {
  if (b.raw_ == 0) throw EZeroDivide("Division by zero");
  return Currency::FromRaw(DivideHalfEven(__int128(a.raw_) * Currency::Scale, b.raw_));
}
