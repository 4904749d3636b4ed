// Currency: a fixed-point number with four decimals, stored as a 64-bit integer scaled by
// 10000 (1.5 is stored as 15000). Exact for sums of money; products and quotients are exact
// to the fourth decimal, where they round half to even.
// The text conversions (CurrToStr, StrToCurr, FormatCurr) are declared in rtl/SysUtils.h.
#pragma once

#include <compare>

#include "rtl/Types.h"

class Currency {
 public:
  static constexpr Int64 Scale = 10000;

  constexpr Currency() = default;
  // Whole numbers convert exactly.
  constexpr Currency(int v) : raw_(Int64(v) * Scale) {}
  constexpr Currency(long v) : raw_(Int64(v) * Scale) {}
  constexpr Currency(long long v) : raw_(Int64(v) * Scale) {}
  // A floating-point value is rounded half to even to four decimals on its decimal value
  // (0.00015 gives 0.0002). Raises EConvertError for NaN, infinities and values outside the
  // range of Currency.
  Currency(double v);

  // The scaled integer itself: FromRaw(15000) is 1.5.
  static constexpr Currency FromRaw(Int64 raw) {
    Currency c;
    c.raw_ = raw;
    return c;
  }
  constexpr Int64 Raw() const { return raw_; }

  double ToDouble() const { return double(raw_) / double(Scale); }
  explicit operator double() const { return ToDouble(); }
  // The integer part, toward zero.
  constexpr Int64 Trunc() const { return raw_ / Scale; }
  // Rounded half to even to a whole number.
  Int64 Round() const;

  constexpr Currency operator-() const { return FromRaw(-raw_); }
  friend constexpr Currency operator+(Currency a, Currency b) { return FromRaw(a.raw_ + b.raw_); }
  friend constexpr Currency operator-(Currency a, Currency b) { return FromRaw(a.raw_ - b.raw_); }
  // Product and quotient are rounded half to even to four decimals; division by zero raises
  // EZeroDivide, a result outside the range raises EIntOverflow.
  friend Currency operator*(Currency a, Currency b);
  friend Currency operator/(Currency a, Currency b);
  Currency& operator+=(Currency o) { raw_ += o.raw_; return *this; }
  Currency& operator-=(Currency o) { raw_ -= o.raw_; return *this; }
  Currency& operator*=(Currency o) { return *this = *this * o; }
  Currency& operator/=(Currency o) { return *this = *this / o; }

  constexpr bool operator==(const Currency&) const = default;
  constexpr auto operator<=>(const Currency&) const = default;

  static constexpr Currency MinValue() { return FromRaw(INT64_MIN); }
  static constexpr Currency MaxValue() { return FromRaw(INT64_MAX); }

 private:
  Int64 raw_ = 0;
};
