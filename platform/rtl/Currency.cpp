#include "rtl/Currency.h"

#include <cmath>

#include "rtl/System.h"

Currency::Currency(double v) {
  double scaled = std::nearbyint(v * double(Scale));
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

Currency operator*(Currency a, Currency b) { return Currency(a.ToDouble() * b.ToDouble()); }

Currency operator/(Currency a, Currency b) {
  if (b.raw_ == 0) throw EZeroDivide("Division by zero");
  return Currency(a.ToDouble() / b.ToDouble());
}
