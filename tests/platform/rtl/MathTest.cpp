// Rounding, MulDiv, comparison with tolerance, ranges, and Currency arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "rtl/Currency.h"
#include "rtl/Math.h"
#include "rtl/System.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

TEST(Rounding, RoundHalfToEvenAndTrunc) {
  const struct {
    double value;
    Int64 round, trunc, floor, ceil;
  } cases[] = {
      {0.5, 0, 0, 0, 1},     {1.5, 2, 1, 1, 2},      {2.5, 2, 2, 2, 3},     {3.5, 4, 3, 3, 4},
      {-0.5, 0, 0, -1, 0},   {-2.5, -2, -2, -3, -2}, {-3.5, -4, -3, -4, -3}, {2.5000001, 3, 2, 2, 3},
      {-1.2, -1, -1, -2, -1}, {1e15 + 0.5, 1000000000000000, 1000000000000000, 1000000000000000, 1000000000000001},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Round(c.value), c.round) << c.value;
    EXPECT_EQ(Trunc(c.value), c.trunc) << c.value;
    EXPECT_EQ(Floor(c.value), c.floor) << c.value;
    EXPECT_EQ(Ceil(c.value), c.ceil) << c.value;
  }
  for (double bad : {kNaN, kInf, -kInf, 1e19, -1e19}) {
    EXPECT_THROW(Round(bad), EInvalidOp) << bad;
    EXPECT_THROW(Trunc(bad), EInvalidOp) << bad;
  }
  EXPECT_DOUBLE_EQ(Frac(-1.25), -0.25);
  EXPECT_DOUBLE_EQ(Frac(3.75), 0.75);
}

TEST(Rounding, RoundToAndSimpleRoundTo) {
  const struct {
    double value;
    int digit;
    double round_to, simple;
  } cases[] = {
      {2.5, 0, 2, 3},          {3.5, 0, 4, 4},          {-2.5, 0, -2, -3},
      {1.235, -2, 1.24, 1.24}, {1.245, -2, 1.24, 1.25}, {1.005, -2, 1, 1.01},
      {-1.235, -2, -1.24, -1.24}, {1250, 2, 1200, 1300}, {1350, 2, 1400, 1400},
      {2.4999, 0, 2, 2},       {0.004, -2, 0, 0},       {123.456, -1, 123.5, 123.5},
      {0.125, -2, 0.12, 0.13},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(RoundTo(c.value, c.digit), c.round_to) << c.value << " " << c.digit;
    EXPECT_DOUBLE_EQ(SimpleRoundTo(c.value, c.digit), c.simple) << c.value << " " << c.digit;
  }
  EXPECT_DOUBLE_EQ(SimpleRoundTo(3.14159), 3.14);
  EXPECT_THROW(RoundTo(1, 38), EInvalidOp);
  EXPECT_TRUE(std::isnan(RoundTo(kNaN, -2)));
}

TEST(MulDiv, RoundsHalfAwayFromZero) {
  const struct {
    Integer a, b, c, expected;
  } cases[] = {
      {10, 15, 4, 38},   // 37.5
      {-10, 15, 4, -38},
      {10, -15, -4, 38},
      {10, 15, -4, -38},
      {7, 1, 2, 4},
      {-7, 1, 2, -4},
      {1, 1, 3, 0},
      {2, 1, 3, 1},
      {-2, 1, 3, -1},
      {100, 96, 72, 133},     // 133.33
      {2147483647, 2, 2, 2147483647},  // the product needs 64 bits
      {-2147483647 - 1, -1, 1, -1},    // 2147483648 does not fit: -1
      {2147483647, 2, 1, -1},
      {5, 1, 0, -1},          // zero divisor
      {0, 0, 0, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(Compare, ToleranceRangesAndSigns) {
  EXPECT_TRUE(SameValue(1.0, 1.0 + 1e-13));
  EXPECT_FALSE(SameValue(1.0, 1.0 + 1e-9));
  EXPECT_TRUE(SameValue(1e6, 1e6 + 1e-7));  // the tolerance grows with the magnitude
  EXPECT_TRUE(SameValue(1.0, 1.1, 0.2));
  EXPECT_FALSE(SameValue(kNaN, kNaN));
  EXPECT_EQ(CompareValue(1.0, 1.0 + 1e-13), EqualsValue);
  EXPECT_EQ(CompareValue(1.0, 2.0), LessThanValue);
  EXPECT_EQ(CompareValue(2.0, 1.0, 0.5), GreaterThanValue);
  EXPECT_EQ(CompareValue(3, 2), GreaterThanValue);
  EXPECT_EQ(CompareValue(Int64(-5), 2), LessThanValue);
  EXPECT_EQ(CompareValue(Int64(1) << 40, Int64(1) << 40), EqualsValue);

  EXPECT_EQ(Min(3, 2), 2);
  EXPECT_EQ(Max(Int64(1) << 40, 5), Int64(1) << 40);
  EXPECT_DOUBLE_EQ(Min(1, 0.5), 0.5);
  EXPECT_TRUE(InRange(5, 1, 5));
  EXPECT_FALSE(InRange(0.5, 1, 5));
  EXPECT_EQ(EnsureRange(12, 0, 10), 10);
  EXPECT_EQ(EnsureRange(-3, 0, 10), 0);
  EXPECT_DOUBLE_EQ(EnsureRange(0.5, 0.0, 1.0), 0.5);
  EXPECT_EQ(Sign(-3.5), NegativeValue);
  EXPECT_EQ(Sign(0), ZeroValue);
  EXPECT_EQ(Sign(Int64(7)), PositiveValue);
  EXPECT_TRUE(IsNan(kNaN));
  EXPECT_TRUE(IsInfinite(-kInf));
  EXPECT_FALSE(IsInfinite(kNaN));
}

TEST(Compare, Power) {
  EXPECT_DOUBLE_EQ(Power(2, 10), 1024);
  EXPECT_DOUBLE_EQ(Power(2, -2), 0.25);
  EXPECT_DOUBLE_EQ(Power(9, 0.5), 3);
  EXPECT_DOUBLE_EQ(Power(-2, 3), -8);
  EXPECT_DOUBLE_EQ(IntPower(10, -3), 0.001);
  EXPECT_DOUBLE_EQ(Power(0, 0), 1);
  EXPECT_TRUE(std::isnan(Power(-8, 1.0 / 3)));
}

TEST(CurrencyValue, ArithmeticIsExact) {
  Currency a = Currency::FromRaw(1);  // 0.0001
  Currency sum;
  for (int i = 0; i < 10000; ++i) sum += a;
  EXPECT_EQ(sum, Currency(1));
  EXPECT_EQ(Currency(0.1) + Currency(0.2), Currency(0.3));
  EXPECT_EQ((Currency(10) - Currency(0.0001)).Raw(), 99999);
  EXPECT_EQ(-Currency(2), Currency(-2));
  EXPECT_LT(Currency(-1), Currency(0.0001));
  EXPECT_EQ(2 * Currency(1.25), Currency(2.5));
  EXPECT_EQ(Currency(1.25) * 2, Currency(2.5));

  const struct {
    double value;
    Int64 raw;
  } conversions[] = {
      {1.5, 15000},     {0.00005, 0},       {0.00015, 2},  // halves to even
      {-0.00015, -2},   {1.23456, 12346},   {1.23455, 12346},  {123456789012.0, 1234567890120000},
  };
  for (const auto& c : conversions) EXPECT_EQ(Currency(c.value).Raw(), c.raw) << c.value;
  EXPECT_THROW(Currency(1e16), EConvertError);
  EXPECT_THROW(Currency{kNaN}, EConvertError);
}

TEST(CurrencyValue, ProductsAndQuotientsRoundToFourDecimals) {
  EXPECT_EQ((Currency(1.5) * Currency(1.5)).Raw(), 22500);
  EXPECT_EQ((Currency(0.0001) * Currency(0.5)).Raw(), 0);     // 0.00005: to even
  EXPECT_EQ((Currency(0.0003) * Currency(0.5)).Raw(), 2);     // 0.00015: to even
  EXPECT_EQ((Currency(10) / Currency(3)).Raw(), 33333);
  EXPECT_EQ((Currency(-10) / Currency(3)).Raw(), -33333);
  EXPECT_EQ((Currency(2) / Currency(3)).Raw(), 6667);
  // Large values keep every digit.
  Currency big = Currency::FromRaw(9000000000000000001);
  EXPECT_EQ((big * Currency(1)).Raw(), 9000000000000000001);
  EXPECT_EQ((big / Currency(1)).Raw(), 9000000000000000001);
  EXPECT_THROW(Currency(1) / Currency(), EZeroDivide);
  EXPECT_THROW(Currency::MaxValue() * Currency(2), EIntOverflow);
  EXPECT_EQ(Currency(2.5).Round(), 2);
  EXPECT_EQ(Currency(3.5).Round(), 4);
  EXPECT_EQ(Currency(-2.5).Round(), -2);
  EXPECT_EQ(Currency(-2.7).Trunc(), -2);
  EXPECT_DOUBLE_EQ(Currency(1.2345).ToDouble(), 1.2345);
}

}  // namespace
