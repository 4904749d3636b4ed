// Numeric helpers of the run-time library: rounding, integer scaling, comparison with a
// tolerance, ranges and signs.
#pragma once

#include <type_traits>

#include "rtl/Types.h"

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2). Raises EInvalidOp for NaN, infinities and values outside Int64.
Int64 Round(double value);
// The whole part toward zero; same errors as Round.
Int64 Trunc(double value);
// The fractional part with the sign of the value (Frac(-1.25) = -0.25).
double Frac(double value);

// a * b / c with a 64-bit intermediate, rounded half away from zero; -1 when c is 0 or the
// result does not fit in 32 bits.
Integer MulDiv(Integer a, Integer b, Integer c);

// Smaller and larger of two numbers; mixed types compare in their common type.
template <class A, class B>
  requires std::is_arithmetic_v<A> && std::is_arithmetic_v<B>
constexpr std::common_type_t<A, B> Min(A a, B b) {
  using C = std::common_type_t<A, B>;
  return C(a) < C(b) ? C(a) : C(b);
}
template <class A, class B>
  requires std::is_arithmetic_v<A> && std::is_arithmetic_v<B>
constexpr std::common_type_t<A, B> Max(A a, B b) {
  using C = std::common_type_t<A, B>;
  return C(a) > C(b) ? C(a) : C(b);
}

// Largest whole number not above / smallest not below the value; errors as Round.
Int64 Floor(double value);
Int64 Ceil(double value);

// Rounds to a power of ten: digit -2 rounds to hundredths, 2 to hundreds. RoundTo rounds
// halves to even, SimpleRoundTo halves away from zero, both on the value's 15 significant
// decimal digits (1.005 is a half). digit outside -37..37 raises EInvalidOp.
double RoundTo(double value, int digit);
double SimpleRoundTo(double value, int digit = -2);

using TValueRelationship = int;  // -1, 0, 1
constexpr TValueRelationship LessThanValue = -1;
constexpr TValueRelationship EqualsValue = 0;
constexpr TValueRelationship GreaterThanValue = 1;
using TValueSign = int;  // -1, 0, 1
constexpr TValueSign NegativeValue = -1;
constexpr TValueSign ZeroValue = 0;
constexpr TValueSign PositiveValue = 1;

// -1, 0 or 1. The floating-point forms treat values within epsilon as equal; epsilon 0
// picks a tolerance scaled to the magnitude of the values (as SameValue does).
template <class A, class B>
  requires std::is_integral_v<A> && std::is_integral_v<B>
constexpr TValueRelationship CompareValue(A a, B b) {
  using C = std::common_type_t<A, B>;
  return C(a) < C(b) ? LessThanValue : (C(b) < C(a) ? GreaterThanValue : EqualsValue);
}
TValueRelationship CompareValue(double a, double b, double epsilon = 0);
// True when the values differ by at most epsilon; epsilon 0 uses
// max(min(|a|, |b|) * 1e-12, 1e-12).
bool SameValue(double a, double b, double epsilon = 0);

bool IsNan(double value);
bool IsInfinite(double value);
// base raised to exponent; an integral exponent is computed exactly by repeated squaring.
double Power(double base, double exponent);
double IntPower(double base, int exponent);

template <class T, class L, class H>
  requires std::is_arithmetic_v<T> && std::is_arithmetic_v<L> && std::is_arithmetic_v<H>
constexpr bool InRange(T value, L low, H high) {
  return !(value < low) && !(high < value);
}
// The value clamped into low..high.
template <class T>
  requires std::is_arithmetic_v<T>
constexpr T EnsureRange(T value, std::type_identity_t<T> low, std::type_identity_t<T> high) {
  return value < low ? low : (high < value ? high : value);
}

// -1, 0 or 1; NaN gives 0.
template <class T>
  requires std::is_arithmetic_v<T>
constexpr TValueSign Sign(T value) {
  return value < T(0) ? NegativeValue : (T(0) < value ? PositiveValue : ZeroValue);
}
