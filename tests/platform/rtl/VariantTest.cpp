// Variant: types, conversions, comparison, arithmetic and arrays.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "rtl/SysUtils.h"
#include "rtl/Variants.h"

namespace {

// Every case runs with English (United States) settings, whatever the machine's locale.
class VariantTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings;
    FormatSettings = TFormatSettings::EnglishUS();
  }
  void TearDown() override { FormatSettings = saved_; }

 private:
  TFormatSettings saved_;
};

TDateTime Jan2_2020() { return 43832.0; }  // 2020-01-02
TDateTime Hms(int h, int m, int s) { return (h * 3600 + m * 60 + s) / 86400.0; }

Variant Dt(TDateTime d) { return VarFromDateTime(d); }

// What a case expects: a value (type and value), or an exception of a given class.
enum class Raises { Nothing, TypeCast, Overflow, InvalidOp, ZeroDivide, InvalidFloat, BadIndex,
                    InvalidArg, ArrayCreate };

const char* Name(Raises r) {
  switch (r) {
    case Raises::Nothing: return "nothing";
    case Raises::TypeCast: return "EVariantTypeCastError";
    case Raises::Overflow: return "EVariantOverflowError";
    case Raises::InvalidOp: return "EVariantInvalidOpError";
    case Raises::ZeroDivide: return "EZeroDivide";
    case Raises::InvalidFloat: return "EInvalidOp";
    case Raises::BadIndex: return "EVariantBadIndexError";
    case Raises::InvalidArg: return "EVariantInvalidArgError";
    case Raises::ArrayCreate: return "EVariantArrayCreateError";
  }
  return "?";
}

// Runs `f` and tells which of the expected exception classes it raised.
Raises Catch(const std::function<void()>& f, String* message = nullptr) {
  try {
    f();
    return Raises::Nothing;
  } catch (const EVariantTypeCastError& e) {
    if (message) *message = e.Message();
    return Raises::TypeCast;
  } catch (const EVariantOverflowError& e) {
    if (message) *message = e.Message();
    return Raises::Overflow;
  } catch (const EVariantInvalidOpError&) {
    return Raises::InvalidOp;
  } catch (const EVariantBadIndexError&) {
    return Raises::BadIndex;
  } catch (const EVariantInvalidArgError&) {
    return Raises::InvalidArg;
  } catch (const EVariantArrayCreateError&) {
    return Raises::ArrayCreate;
  } catch (const EZeroDivide&) {
    return Raises::ZeroDivide;
  } catch (const EInvalidOp&) {
    return Raises::InvalidFloat;
  }
}

// Same type and same value (two Nulls and two Empties count as the same).
void ExpectIdentical(const Variant& expected, const Variant& actual, const String& what) {
  ASSERT_EQ(VarTypeAsText(VarType(expected)), VarTypeAsText(VarType(actual))) << what;
  if (expected.IsNull() || expected.IsEmpty()) return;
  if (VarIsFloat(expected) || VarType(expected) == varDate) {
    if (VarType(expected) != varCurrency) {
      EXPECT_DOUBLE_EQ(expected.AsDouble(), actual.AsDouble()) << what;
      return;
    }
  }
  EXPECT_EQ(expected.AsString(), actual.AsString()) << what;
}

// ---------------------------------------------------------------------------------------------
// Construction and type tests

TEST_F(VariantTest, ConstructionPicksTheVarType) {
  struct Case {
    Variant v;
    TVarType type;
    const char* name;
  };
  const Case cases[] = {
      {Variant(), varEmpty, "Empty"},
      {Null(), varNull, "Null"},
      {Unassigned(), varEmpty, "Empty"},
      {Variant(int8_t(-5)), varShortInt, "ShortInt"},
      {Variant(uint8_t(200)), varByte, "Byte"},
      {Variant(int16_t(-300)), varSmallint, "Smallint"},
      {Variant(uint16_t(60000)), varWord, "Word"},
      {Variant(7), varInteger, "Integer"},
      {Variant(4000000000u), varLongWord, "LongWord"},
      {Variant(Int64(1) << 40), varInt64, "Int64"},
      {Variant(uint64_t(5)), varInt64, "Int64"},
      {Variant(1.5f), varSingle, "Single"},
      {Variant(1.5), varDouble, "Double"},
      {Variant(Currency(2)), varCurrency, "Currency"},
      {Dt(Jan2_2020()), varDate, "Date"},
      {Variant(true), varBoolean, "Boolean"},
      {Variant("text"), varString, "String"},
      {Variant(String("text")), varString, "String"},
      {VarAsType(Variant("x"), varOleStr), varOleStr, "OleStr"},
      {VarArrayOf({1, 2}), TVarType(varArray | varVariant), "Array of Variant"},
      {VarArrayCreate({0, 1}, varDouble), TVarType(varArray | varDouble), "Array of Double"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.type, VarType(c.v)) << c.name;
    EXPECT_EQ(String(c.name), VarTypeAsText(VarType(c.v)));
  }
  EXPECT_EQ("$000F", VarTypeAsText(0x000F));
  EXPECT_EQ(Raises::Overflow, Catch([] { Variant v(std::numeric_limits<uint64_t>::max()); }));
}

TEST_F(VariantTest, TypeTests) {
  struct Case {
    Variant v;
    bool null, empty, array, str, numeric, ordinal, isFloat;
  };
  const Case cases[] = {
      {Null(), true, false, false, false, false, false, false},
      {Variant(), false, true, false, false, false, false, false},
      {Variant(3), false, false, false, false, true, true, false},
      {Variant(uint8_t(3)), false, false, false, false, true, true, false},
      {Variant(true), false, false, false, false, true, true, false},
      {Variant(2.5), false, false, false, false, true, false, true},
      {Variant(Currency(2)), false, false, false, false, true, false, true},
      {Dt(1), false, false, false, false, false, false, false},
      {Variant("5"), false, false, false, true, false, false, false},
      {VarAsType(Variant("5"), varOleStr), false, false, false, true, false, false, false},
      {VarArrayOf({1}), false, false, true, false, false, false, false},
  };
  for (const Case& c : cases) {
    String what = VarTypeAsText(VarType(c.v));
    EXPECT_EQ(c.null, VarIsNull(c.v)) << what;
    EXPECT_EQ(c.empty, VarIsEmpty(c.v)) << what;
    EXPECT_EQ(c.empty, VarIsClear(c.v)) << what;
    EXPECT_EQ(c.array, VarIsArray(c.v)) << what;
    EXPECT_EQ(c.str, VarIsStr(c.v)) << what;
    EXPECT_EQ(c.numeric, VarIsNumeric(c.v)) << what;
    EXPECT_EQ(c.ordinal, VarIsOrdinal(c.v)) << what;
    EXPECT_EQ(c.isFloat, VarIsFloat(c.v)) << what;
  }
  EXPECT_TRUE(VarIsType(Variant(1), {varDouble, varInteger}));
  EXPECT_FALSE(VarIsType(Variant(1), {varDouble, varString}));
}

TEST_F(VariantTest, CopiesAreIndependentValuesAndMovesLeaveEmpty) {
  Variant s("abc");
  Variant copy = s;
  copy = copy + Variant("d");
  EXPECT_EQ("abc", s.AsString());
  EXPECT_EQ("abcd", copy.AsString());

  Variant a = VarArrayOf({1, 2, 3});
  Variant b = a;
  b.PutElement(0, 9);
  EXPECT_EQ(1, a.GetElement(0).AsInteger());
  EXPECT_EQ(9, b.GetElement(0).AsInteger());

  Variant moved = std::move(b);
  EXPECT_TRUE(b.IsEmpty());  // NOLINT: the moved-from state is part of the contract
  EXPECT_EQ(9, moved.GetElement(0).AsInteger());

  Variant self = VarArrayOf({"x", "y"});
  self.PutElement(0, self.GetElement(1));
  self = self;
  EXPECT_EQ("y", self.GetElement(0).AsString());

  Variant assigned;
  assigned = 5;
  EXPECT_EQ(varInteger, VarType(assigned));
  assigned = "t";
  EXPECT_EQ(varString, VarType(assigned));
  assigned = Null();
  EXPECT_TRUE(assigned.IsNull());
}

// ---------------------------------------------------------------------------------------------
// Conversions

TEST_F(VariantTest, VarAsTypeConvertsOrRaises) {
  struct Case {
    Variant from;
    TVarType to;
    Variant expected;
    Raises raises;
  };
  const Raises ok = Raises::Nothing;
  const Case cases[] = {
      // Floats to integers round half to even.
      {Variant(2.5), varInteger, Variant(2), ok},
      {Variant(3.5), varInteger, Variant(4), ok},
      {Variant(-2.5), varInteger, Variant(-2), ok},
      {Variant(Currency(2.5)), varInteger, Variant(2), ok},
      {Variant(Currency(3.5)), varInt64, Variant(Int64(4)), ok},
      {Dt(Jan2_2020() + 0.75), varInteger, Variant(43833), ok},
      // Out of range: an overflow error, never a wrapped value.
      {Variant(3e10), varInteger, {}, Raises::Overflow},
      {Variant(Int64(1) << 40), varInteger, {}, Raises::Overflow},
      {Variant(4000000000u), varInteger, {}, Raises::Overflow},
      {Variant(300), varByte, {}, Raises::Overflow},
      {Variant(-1), varWord, {}, Raises::Overflow},
      {Variant(128), varShortInt, {}, Raises::Overflow},
      {Variant(1e300), varSingle, {}, Raises::Overflow},
      {Variant(1e300), varInt64, {}, Raises::Overflow},
      {Variant(1e16), varCurrency, {}, Raises::Overflow},
      {Variant(std::nan("")), varInteger, {}, Raises::Overflow},
      {Variant(255), varByte, Variant(uint8_t(255)), ok},
      // Booleans: True is -1 and "True".
      {Variant(true), varInteger, Variant(-1), ok},
      {Variant(true), varDouble, Variant(-1.0), ok},
      {Variant(true), varString, Variant("True"), ok},
      {Variant(false), varString, Variant("False"), ok},
      {Variant(-5), varBoolean, Variant(true), ok},
      {Variant(0.0), varBoolean, Variant(false), ok},
      {Variant("true"), varBoolean, Variant(true), ok},
      {Variant(" FALSE "), varBoolean, Variant(false), ok},
      {Variant("2"), varBoolean, Variant(true), ok},
      {Variant("yes"), varBoolean, {}, Raises::TypeCast},
      // Strings to numbers by the locale's number parsing.
      {Variant("2.5"), varDouble, Variant(2.5), ok},
      {Variant(" 7 "), varInteger, Variant(7), ok},
      {Variant("2.5"), varInteger, Variant(2), ok},
      {Variant("$1F"), varInteger, Variant(31), ok},
      {Variant("-1.5E2"), varDouble, Variant(-150.0), ok},
      {Variant("1,234.5"), varDouble, Variant(1234.5), ok},
      {Variant("1,234,567"), varInt64, Variant(Int64(1234567)), ok},
      {Variant("9223372036854775807"), varInt64, Variant(INT64_MAX), ok},
      {Variant("1,23"), varDouble, {}, Raises::TypeCast},
      {Variant("12,34.5"), varDouble, {}, Raises::TypeCast},
      {Variant("abc"), varDouble, {}, Raises::TypeCast},
      {Variant(""), varInteger, {}, Raises::TypeCast},
      {Variant("99999999999"), varInteger, {}, Raises::Overflow},
      {Variant("1.25"), varCurrency, Variant(Currency(1.25)), ok},
      {Variant("1/2/2020"), varDate, Dt(Jan2_2020()), ok},
      {Variant("1/2/2020 6:00 PM"), varDate, Dt(Jan2_2020() + 0.75), ok},
      {Variant("43832"), varDate, Dt(Jan2_2020()), ok},
      {Variant("someday"), varDate, {}, Raises::TypeCast},
      // Numbers and dates to strings.
      {Variant(42), varString, Variant("42"), ok},
      {Variant(Int64(-1) << 40), varString, Variant("-1099511627776"), ok},
      {Variant(1.5), varString, Variant("1.5"), ok},
      {Variant(1.0 / 3.0), varString, Variant("0.333333333333333"), ok},
      {Variant(Currency(1.5)), varString, Variant("1.5"), ok},
      {Variant(0.1f), varString, Variant(FloatToStr(double(0.1f))), ok},
      {Dt(Jan2_2020()), varString, Variant("1/2/2020"), ok},
      {Dt(Jan2_2020() + Hms(13, 4, 5)), varString, Variant("1/2/2020 1:04:05 PM"), ok},
      {Dt(Hms(13, 4, 5)), varString, Variant("1:04:05 PM"), ok},
      {Variant("x"), varOleStr, VarAsType(Variant("x"), varOleStr), ok},
      // Empty gives the zero of the target; Null converts to nothing but Null and Variant.
      {Variant(), varInteger, Variant(0), ok},
      {Variant(), varString, Variant(""), ok},
      {Variant(), varBoolean, Variant(false), ok},
      {Null(), varInteger, {}, Raises::TypeCast},
      {Null(), varString, {}, Raises::TypeCast},
      {Null(), varBoolean, {}, Raises::TypeCast},
      {Null(), varVariant, Null(), ok},
      {Null(), varNull, Null(), ok},
      // Arrays convert to no scalar.
      {VarArrayOf({1}), varDouble, {}, Raises::TypeCast},
      {VarArrayOf({1}), varString, {}, Raises::TypeCast},
  };
  for (const Case& c : cases) {
    String what = VarTypeAsText(VarType(c.from)) + " -> " + VarTypeAsText(c.to);
    if (!c.from.IsNull() && !c.from.IsArray()) what += " (" + c.from.AsString() + ")";
    Variant result;
    Raises got = Catch([&] { result = VarAsType(c.from, c.to); });
    ASSERT_STREQ(Name(c.raises), Name(got)) << what;
    if (c.raises == ok) ExpectIdentical(c.expected, result, what);
  }
}

TEST_F(VariantTest, ConversionErrorsNameBothTypes) {
  struct Case {
    std::function<void()> f;
    Raises raises;
    const char* message;
  };
  const Case cases[] = {
      {[] { (void)Variant("abc").AsDouble(); }, Raises::TypeCast,
       "Could not convert variant of type (String) into type (Double)"},
      {[] { (void)Null().AsInteger(); }, Raises::TypeCast,
       "Could not convert variant of type (Null) into type (Integer)"},
      {[] { (void)Null().AsString(); }, Raises::TypeCast,
       "Could not convert variant of type (Null) into type (String)"},
      {[] { (void)VarAsType(Variant("x"), varOleStr).AsBoolean(); }, Raises::TypeCast,
       "Could not convert variant of type (OleStr) into type (Boolean)"},
      {[] { (void)VarArrayOf({1}).AsInt64(); }, Raises::TypeCast,
       "Could not convert variant of type (Array of Variant) into type (Int64)"},
      {[] { (void)Variant(3e10).AsInteger(); }, Raises::Overflow,
       "Overflow while converting variant of type (Double) into type (Integer)"},
  };
  for (const Case& c : cases) {
    String message;
    EXPECT_STREQ(Name(c.raises), Name(Catch(c.f, &message))) << c.message;
    EXPECT_EQ(c.message, message);
  }
  // The conversion error is a variant error, and not a general conversion error: callers
  // that catch it catch nothing else.
  EXPECT_THROW((void)Variant("abc").AsInteger(), EVariantError);
  try {
    (void)Variant("abc").AsInteger();
  } catch (const EConvertError&) {
    ADD_FAILURE() << "a variant conversion error must not be an EConvertError";
  } catch (const EVariantTypeCastError&) {
  }
}

TEST_F(VariantTest, TextOfNullAndEmpty) {
  EXPECT_EQ("", VarToStr(Null()));
  EXPECT_EQ("", VarToStr(Variant()));
  EXPECT_EQ("dflt", VarToStrDef(Null(), "dflt"));
  EXPECT_EQ("", VarToStrDef(Variant(), "dflt"));
  EXPECT_EQ("3", VarToStrDef(Variant(3), "dflt"));
  EXPECT_DOUBLE_EQ(Jan2_2020(), VarToDateTime(Variant("1/2/2020")));
}

TEST_F(VariantTest, ConversionsFollowTheLocale) {
  FormatSettings = TFormatSettings::FromLocale("de_DE");
  ASSERT_EQ(',', FormatSettings.DecimalSeparator);
  EXPECT_DOUBLE_EQ(2.5, Variant("2,5").AsDouble());
  EXPECT_DOUBLE_EQ(1234.5, Variant("1.234,5").AsDouble());
  EXPECT_EQ(FloatToStr(2.5, FormatSettings), Variant(2.5).AsString());
  EXPECT_TRUE(Variant("2,5") == Variant(2.5));
}

// ---------------------------------------------------------------------------------------------
// Comparison

constexpr int kRaisesCast = 100;
constexpr int kRaisesInvalidOp = 101;

TEST_F(VariantTest, ComparisonRules) {
  struct Case {
    Variant a, b;
    int expected;  // -1 a < b, 0 equal, 1 a > b; or one of the kRaises codes
  };
  const Case cases[] = {
      // Null: equal to Null only, before everything else.
      {Null(), Null(), 0},
      {Null(), Variant(5), -1},
      {Variant(5), Null(), 1},
      {Null(), Variant(""), -1},
      {Null(), Variant(), -1},
      {Variant(-1e300), Null(), 1},
      // Empty acts as the other side's zero.
      {Variant(), Variant(), 0},
      {Variant(), Variant(0), 0},
      {Variant(), Variant(1), -1},
      {Variant(-1), Variant(), -1},
      {Variant(), Variant(""), 0},
      {Variant(), Variant("a"), -1},
      {Variant(), Variant(false), 0},
      {Variant(), Variant(true), -1},
      {Variant(), Variant(Currency(0)), 0},
      // Numbers compare numerically across all number types.
      {Variant(1), Variant(1.0), 0},
      {Variant(uint8_t(200)), Variant(int16_t(-5)), 1},
      {Variant(4000000000u), Variant(-1), 1},
      {Variant(int8_t(-1)), Variant(uint16_t(1)), -1},
      {Variant(INT64_MAX), Variant(INT64_MAX - 1), 1},
      {Variant(Int64(1) << 53), Variant(double(Int64(1) << 53)), 0},
      {Variant(0.5f), Variant(0.5), 0},
      {Variant(Currency(2)), Variant(2), 0},
      {Variant(Currency::FromRaw(10001)), Variant(1), 1},
      {Variant(Currency(1.5)), Variant(1.5), 0},
      {Variant(Currency(1.5)), Variant(1.25f), 1},
      {Dt(Jan2_2020()), Variant(43832), 0},
      {Dt(Jan2_2020()), Variant(43832.5), -1},
      {Variant(std::nan("")), Variant(-1e300), -1},
      // Strings: ordinal, by code point, case-sensitive.
      {Variant("a"), Variant("b"), -1},
      {Variant("B"), Variant("a"), -1},
      {Variant("a"), Variant("A"), 1},
      {Variant("a"), Variant("a"), 0},
      {Variant(""), Variant("a"), -1},
      {Variant("ab"), Variant("a"), 1},
      {Variant("\xC3\xA9"), Variant("z"), 1},                      // e-acute after z
      {Variant("\xE6\x97\xA5"), Variant("\xEF\xBD\xB1"), -1},      // U+65E5 before U+FF71
      {VarAsType(Variant("a"), varOleStr), Variant("a"), 0},
      {Variant("10"), Variant("9"), -1},
      // A string against a number is read as a number.
      {Variant("10"), Variant(9), 1},
      {Variant(9), Variant("10"), -1},
      {Variant(" 2.50 "), Variant(2.5), 0},
      {Variant("9007199254740993"), Variant(Int64(9007199254740992)), 1},
      {Variant("1.5"), Variant(Currency(1.5)), 0},
      {Variant("abc"), Variant(5), kRaisesCast},
      {Variant(5), Variant("abc"), kRaisesCast},
      {Variant(""), Variant(0), kRaisesCast},
      // A string against a date is read as a date.
      {Dt(Jan2_2020()), Variant("1/2/2020"), 0},
      {Dt(Jan2_2020()), Variant("1/3/2020"), -1},
      {Variant("1/1/2020"), Dt(Jan2_2020()), -1},
      {Dt(Jan2_2020()), Variant("x"), kRaisesCast},
      // Booleans: True is -1 against numbers, its text against strings, above False.
      {Variant(true), Variant(-1), 0},
      {Variant(true), Variant(1), -1},
      {Variant(false), Variant(0), 0},
      {Variant(false), Variant(true), -1},
      {Variant(true), Variant(true), 0},
      {Variant(true), Variant("True"), 0},
      {Variant(true), Variant("true"), -1},
      {Variant("False"), Variant(false), 0},
      {Variant(true), Variant("-1"), 1},
      // Arrays do not compare.
      {VarArrayOf({1}), VarArrayOf({1}), kRaisesInvalidOp},
      {VarArrayOf({1}), Variant(1), kRaisesInvalidOp},
      {Null(), VarArrayOf({1}), kRaisesInvalidOp},
  };
  for (const Case& c : cases) {
    String what = VarTypeAsText(VarType(c.a)) + " " + VarToStrDef(c.a.IsArray() ? Variant() : c.a, "Null") +
                  " vs " + VarTypeAsText(VarType(c.b)) + " " +
                  VarToStrDef(c.b.IsArray() ? Variant() : c.b, "Null");
    if (c.expected == kRaisesCast || c.expected == kRaisesInvalidOp) {
      Raises want = c.expected == kRaisesCast ? Raises::TypeCast : Raises::InvalidOp;
      EXPECT_STREQ(Name(want), Name(Catch([&] { (void)(c.a == c.b); }))) << what;
      EXPECT_STREQ(Name(want), Name(Catch([&] { (void)(c.a < c.b); }))) << what;
      continue;
    }
    EXPECT_EQ(c.expected == 0, c.a == c.b) << what;
    EXPECT_EQ(c.expected != 0, c.a != c.b) << what;
    EXPECT_EQ(c.expected < 0, c.a < c.b) << what;
    EXPECT_EQ(c.expected > 0, c.a > c.b) << what;
    EXPECT_EQ(c.expected <= 0, c.a <= c.b) << what;
    EXPECT_EQ(c.expected >= 0, c.a >= c.b) << what;
    // The reverse call gives the reverse answer.
    EXPECT_EQ(c.expected < 0, c.b > c.a) << what;
    EXPECT_EQ(c.expected == 0, c.b == c.a) << what;
  }
}

TEST_F(VariantTest, CompareValueAndSameValueTreatNullAndEmptyApart) {
  struct Case {
    Variant a, b;
    TVariantRelationship relation;
    bool same;
  };
  const Case cases[] = {
      {Null(), Null(), vrEqual, true},
      {Null(), Variant(1), vrNotEqual, false},
      {Variant(1), Null(), vrNotEqual, false},
      {Variant(), Null(), vrNotEqual, false},
      {Variant(), Variant(), vrEqual, true},
      {Variant(), Variant(0), vrNotEqual, false},
      {Variant(""), Variant(), vrNotEqual, false},
      {Variant(1), Variant(2), vrLessThan, false},
      {Variant(2.5), Variant(1), vrGreaterThan, false},
      {Variant(1), Variant(1.0), vrEqual, true},
      {Variant("1"), Variant(1), vrEqual, true},
      {Variant("a"), Variant("a"), vrEqual, true},
      {Variant("a"), Variant("A"), vrGreaterThan, false},
  };
  for (const Case& c : cases) {
    String what = VarTypeAsText(VarType(c.a)) + " vs " + VarTypeAsText(VarType(c.b));
    EXPECT_EQ(c.relation, VarCompareValue(c.a, c.b)) << what;
    EXPECT_EQ(c.same, VarSameValue(c.a, c.b)) << what;
  }
  EXPECT_THROW(VarCompareValue(Variant("abc"), Variant(1)), EVariantTypeCastError);
}

// ---------------------------------------------------------------------------------------------
// Arithmetic

enum class BinOp { Add, Sub, Mul, Div, IntDiv, Mod, And, Or, Xor };

Variant Apply(BinOp op, const Variant& a, const Variant& b) {
  switch (op) {
    case BinOp::Add: return a + b;
    case BinOp::Sub: return a - b;
    case BinOp::Mul: return a * b;
    case BinOp::Div: return a / b;
    case BinOp::IntDiv: return VarIntDiv(a, b);
    case BinOp::Mod: return VarMod(a, b);
    case BinOp::And: return VarAnd(a, b);
    case BinOp::Or: return VarOr(a, b);
    case BinOp::Xor: return VarXor(a, b);
  }
  return {};
}

const char* OpName(BinOp op) {
  static const char* names[] = {"+", "-", "*", "/", "div", "mod", "and", "or", "xor"};
  return names[int(op)];
}

TEST_F(VariantTest, ArithmeticRules) {
  struct Case {
    BinOp op;
    Variant a, b, expected;
    Raises raises;
  };
  const Raises ok = Raises::Nothing;
  const Int64 kMaxInt = INT32_MAX;
  const Case cases[] = {
      // Integers widen instead of wrapping.
      {BinOp::Add, Variant(2), Variant(3), Variant(5), ok},
      {BinOp::Add, Variant(INT32_MAX), Variant(1), Variant(kMaxInt + 1), ok},
      {BinOp::Sub, Variant(INT32_MIN), Variant(1), Variant(Int64(INT32_MIN) - 1), ok},
      {BinOp::Mul, Variant(INT32_MAX), Variant(INT32_MAX), Variant(kMaxInt * kMaxInt), ok},
      {BinOp::Add, Variant(INT64_MAX), Variant(1), Variant(9223372036854775808.0), ok},
      {BinOp::Sub, Variant(INT64_MIN), Variant(1), Variant(-9223372036854775809.0), ok},
      {BinOp::Mul, Variant(INT64_MAX), Variant(2), Variant(2 * 9223372036854775807.0), ok},
      {BinOp::Add, Variant(Int64(1)), Variant(1), Variant(Int64(2)), ok},
      {BinOp::Add, Variant(uint8_t(200)), Variant(uint8_t(200)), Variant(400), ok},
      {BinOp::Mul, Variant(int16_t(30000)), Variant(int16_t(2)), Variant(60000), ok},
      {BinOp::Add, Variant(4000000000u), Variant(1), Variant(Int64(4000000001)), ok},
      // Division: `/` gives a double; div and mod truncate.
      {BinOp::Div, Variant(5), Variant(2), Variant(2.5), ok},
      {BinOp::Div, Variant(4), Variant(2), Variant(2.0), ok},
      {BinOp::IntDiv, Variant(7), Variant(2), Variant(3), ok},
      {BinOp::IntDiv, Variant(-7), Variant(2), Variant(-3), ok},
      {BinOp::Mod, Variant(-7), Variant(2), Variant(-1), ok},
      {BinOp::IntDiv, Variant(7.9), Variant(2), Variant(4), ok},
      {BinOp::IntDiv, Variant(INT64_MIN), Variant(-1), Variant(9223372036854775808.0), ok},
      {BinOp::Mod, Variant(INT64_MIN), Variant(-1), Variant(Int64(0)), ok},
      {BinOp::Div, Variant(5), Variant(0), {}, Raises::ZeroDivide},
      {BinOp::Div, Variant(5.0), Variant(0.0), {}, Raises::ZeroDivide},
      {BinOp::Div, Variant(0), Variant(0), {}, Raises::InvalidFloat},
      {BinOp::IntDiv, Variant(5), Variant(0), {}, Raises::ZeroDivide},
      {BinOp::Mod, Variant(5), Variant(0.2), {}, Raises::ZeroDivide},
      {BinOp::Div, Variant(Currency(1)), Variant(0), {}, Raises::ZeroDivide},
      // Floats: any float makes a double.
      {BinOp::Add, Variant(1.5f), Variant(1.5f), Variant(3.0), ok},
      {BinOp::Add, Variant(1.5f), Variant(1), Variant(2.5), ok},
      {BinOp::Mul, Variant(0.5), Variant(3), Variant(1.5), ok},
      // Currency stays currency, exact, rounded half to even at the fourth decimal.
      {BinOp::Add, Variant(Currency(1.5)), Variant(1), Variant(Currency(2.5)), ok},
      {BinOp::Add, Variant(Currency(1.5)), Variant(1.5), Variant(Currency(3)), ok},
      {BinOp::Sub, Variant(Currency(0.3)), Variant(Currency(0.1)), Variant(Currency(0.2)), ok},
      {BinOp::Mul, Variant(Currency(1.5)), Variant(Currency(1.5)), Variant(Currency(2.25)), ok},
      {BinOp::Mul, Variant(Currency::FromRaw(1)), Variant(Currency(0.5)), Variant(Currency(0)), ok},
      {BinOp::Mul, Variant(Currency::FromRaw(3)), Variant(Currency(0.5)),
       Variant(Currency::FromRaw(2)), ok},
      {BinOp::Div, Variant(Currency(1.5)), Variant(2), Variant(Currency(0.75)), ok},
      {BinOp::Div, Variant(Currency(1)), Variant(Currency(3)), Variant(Currency(0.3333)), ok},
      {BinOp::Div, Variant(Currency(1.5)), Variant(Currency(1.5)), Variant(Currency(1)), ok},
      {BinOp::Add, Variant(Currency::MaxValue()), Variant(1), {}, Raises::Overflow},
      {BinOp::Mul, Variant(Currency(1e14)), Variant(1000), {}, Raises::Overflow},
      {BinOp::Mul, Variant(Currency(1e14)), Variant(1e10), {}, Raises::Overflow},
      // Strings: + concatenates two strings; otherwise a string is read as a number.
      {BinOp::Add, Variant("a"), Variant("b"), Variant("ab"), ok},
      {BinOp::Add, Variant("10"), Variant(2), Variant(12.0), ok},
      {BinOp::Add, Variant(2), Variant("10"), Variant(12.0), ok},
      {BinOp::Add, Variant("1.5"), Variant(1), Variant(2.5), ok},
      {BinOp::Mul, Variant("10"), Variant("10"), Variant(100.0), ok},
      {BinOp::Sub, Variant("10"), Variant("4"), Variant(6.0), ok},
      {BinOp::Add, Variant("abc"), Variant(1), {}, Raises::TypeCast},
      {BinOp::Mul, Variant(2), Variant(""), {}, Raises::TypeCast},
      {BinOp::Add, VarAsType(Variant("a"), varOleStr), VarAsType(Variant("b"), varOleStr),
       VarAsType(Variant("ab"), varOleStr), ok},
      // Null propagates.
      {BinOp::Add, Null(), Variant(5), Null(), ok},
      {BinOp::Add, Variant("x"), Null(), Null(), ok},
      {BinOp::IntDiv, Null(), Variant(0), Null(), ok},
      {BinOp::And, Variant(true), Null(), Null(), ok},
      {BinOp::Add, Null(), Variant(), Null(), ok},
      // Empty acts as 0, or "" beside a string.
      {BinOp::Add, Variant(), Variant(5), Variant(5), ok},
      {BinOp::Sub, Variant(), Variant(5), Variant(-5), ok},
      {BinOp::Add, Variant(), Variant("x"), Variant("x"), ok},
      {BinOp::Add, Variant(), Variant(), Variant(0), ok},
      {BinOp::Mul, Variant(2.5), Variant(), Variant(0.0), ok},
      {BinOp::Or, Variant(), Variant(true), Variant(true), ok},
      // Booleans are -1 and 0 in sums.
      {BinOp::Add, Variant(true), Variant(true), Variant(-2), ok},
      {BinOp::Add, Variant(true), Variant(1), Variant(0), ok},
      // Dates.
      {BinOp::Add, Dt(Jan2_2020()), Variant(1), Dt(Jan2_2020() + 1), ok},
      {BinOp::Add, Variant(1), Dt(Jan2_2020()), Dt(Jan2_2020() + 1), ok},
      {BinOp::Sub, Dt(Jan2_2020()), Variant(0.5), Dt(Jan2_2020() - 0.5), ok},
      {BinOp::Sub, Dt(Jan2_2020() + 2), Dt(Jan2_2020()), Variant(2.0), ok},
      {BinOp::Mul, Dt(2), Variant(2), Variant(4.0), ok},
      {BinOp::Add, Dt(Jan2_2020()), Variant("x"), {}, Raises::TypeCast},
      // Logical operations: Booleans give Booleans, integers work bitwise.
      {BinOp::And, Variant(true), Variant(false), Variant(false), ok},
      {BinOp::Or, Variant(true), Variant(false), Variant(true), ok},
      {BinOp::Xor, Variant(true), Variant(true), Variant(false), ok},
      {BinOp::And, Variant(true), Variant("False"), Variant(false), ok},
      {BinOp::And, Variant(true), Variant(6), Variant(6), ok},
      {BinOp::And, Variant(12), Variant(10), Variant(8), ok},
      {BinOp::Or, Variant(12), Variant(3), Variant(15), ok},
      {BinOp::Xor, Variant(12), Variant(10), Variant(6), ok},
      {BinOp::And, Variant(Int64(-1)), Variant(5), Variant(Int64(5)), ok},
      {BinOp::Or, Variant(true), Variant("maybe"), {}, Raises::TypeCast},
      // Arrays take part in no operation.
      {BinOp::Add, VarArrayOf({1}), Variant(1), {}, Raises::InvalidOp},
      {BinOp::And, Null(), VarArrayOf({1}), {}, Raises::InvalidOp},
  };
  for (const Case& c : cases) {
    String what = VarTypeAsText(VarType(c.a)) + " " + OpName(c.op) + " " + VarTypeAsText(VarType(c.b));
    Variant result;
    Raises got = Catch([&] { result = Apply(c.op, c.a, c.b); });
    ASSERT_STREQ(Name(c.raises), Name(got)) << what;
    if (c.raises == ok) ExpectIdentical(c.expected, result, what);
  }
}

TEST_F(VariantTest, UnaryOperations) {
  struct Case {
    bool isNot;
    Variant a, expected;
    Raises raises;
  };
  const Raises ok = Raises::Nothing;
  const Case cases[] = {
      {false, Variant(5), Variant(-5), ok},
      {false, Variant(INT32_MIN), Variant(Int64(INT32_MAX) + 1), ok},
      {false, Variant(INT64_MIN), Variant(9223372036854775808.0), ok},
      {false, Variant(uint8_t(3)), Variant(-3), ok},
      {false, Variant(true), Variant(1), ok},
      {false, Variant(1.5f), Variant(-1.5f), ok},
      {false, Variant(Currency(1.5)), Variant(Currency(-1.5)), ok},
      {false, Variant(Currency::MinValue()), {}, Raises::Overflow},
      {false, Dt(2), Dt(-2), ok},
      {false, Variant("2.5"), Variant(-2.5), ok},
      {false, Variant(), Variant(0), ok},
      {false, Null(), Null(), ok},
      {false, VarArrayOf({1}), {}, Raises::InvalidOp},
      {true, Variant(true), Variant(false), ok},
      {true, Variant(5), Variant(-6), ok},
      {true, Variant(Int64(0)), Variant(Int64(-1)), ok},
      {true, Variant(2.4), Variant(-3), ok},
      {true, Variant("True"), Variant(false), ok},
      {true, Variant(" false"), Variant(true), ok},
      {true, Variant("5"), Variant(-6), ok},
      {true, Variant("x"), {}, Raises::TypeCast},
      {true, Variant(), Variant(-1), ok},
      {true, Null(), Null(), ok},
      {true, VarArrayOf({1}), {}, Raises::InvalidOp},
  };
  for (const Case& c : cases) {
    String what = String(c.isNot ? "not " : "-") + VarTypeAsText(VarType(c.a));
    Variant result;
    Raises got = Catch([&] { result = c.isNot ? VarNot(c.a) : -c.a; });
    ASSERT_STREQ(Name(c.raises), Name(got)) << what;
    if (c.raises == ok) ExpectIdentical(c.expected, result, what);
  }
}

TEST_F(VariantTest, CompoundAssignmentSumsMixedValues) {
  // A running total over the values of a column, as summaries compute them.
  Variant total;
  for (const Variant& v : {Variant(INT32_MAX), Variant(uint8_t(1)), Variant(0.5), Variant()})
    total += v;
  ExpectIdentical(Variant(2147483648.5), total, "total");
  total -= Variant(0.5);
  total *= Variant(2);
  total /= Variant(4);
  ExpectIdentical(Variant(1073741824.0), total, "after -= *= /=");
}

// ---------------------------------------------------------------------------------------------
// Arrays

TEST_F(VariantTest, ArrayBoundsAndElements) {
  Variant a = VarArrayCreate({1, 3}, varInteger);
  EXPECT_EQ(1, VarArrayDimCount(a));
  EXPECT_EQ(1, VarArrayLowBound(a, 1));
  EXPECT_EQ(3, VarArrayHighBound(a, 1));
  ExpectIdentical(Variant(0), a.GetElement(2), "a default element");
  a.PutElement(2, Variant("7"));  // converted to the element type
  ExpectIdentical(Variant(7), a.GetElement(2), "a converted element");
  EXPECT_THROW(a.PutElement(2, Variant("x")), EVariantTypeCastError);
  ExpectIdentical(Variant(7), a.GetElement(2), "kept after a failed put");

  Variant neg = VarArrayCreate({-2, 2}, varVariant);
  neg.PutElement(-2, "first");
  EXPECT_TRUE(neg.GetElement(0).IsEmpty());
  EXPECT_EQ("first", neg.GetElement(-2).AsString());

  Variant of = VarArrayOf({1, "x", Null(), VarArrayOf({2.5})});
  EXPECT_EQ(0, VarArrayLowBound(of, 1));
  EXPECT_EQ(3, VarArrayHighBound(of, 1));
  EXPECT_EQ("x", of.GetElement(1).AsString());
  EXPECT_TRUE(of.GetElement(2).IsNull());
  EXPECT_DOUBLE_EQ(2.5, of.GetElement(3).GetElement(0).AsDouble());
  EXPECT_EQ(-1, VarArrayHighBound(VarArrayOf({}), 1));
  EXPECT_EQ(0, VarArrayDimCount(Variant(5)));

  struct Case {
    std::function<void()> f;
    Raises raises;
    const char* what;
  };
  const Case errors[] = {
      {[&] { (void)a.GetElement(0); }, Raises::BadIndex, "below the low bound"},
      {[&] { (void)a.GetElement(4); }, Raises::BadIndex, "above the high bound"},
      {[&] { a.PutElement(4, 1); }, Raises::BadIndex, "put above the high bound"},
      {[&] { (void)VarArrayGet(a, {1, 1}); }, Raises::BadIndex, "two indexes for one dimension"},
      {[&] { (void)VarArrayLowBound(a, 2); }, Raises::BadIndex, "dimension 2 of 1"},
      {[&] { (void)VarArrayHighBound(a, 0); }, Raises::BadIndex, "dimension 0"},
      {[] { (void)VarArrayLowBound(Variant(5), 1); }, Raises::InvalidArg, "bound of a scalar"},
      {[] { (void)Variant(5).GetElement(0); }, Raises::InvalidArg, "element of a scalar"},
      {[] { Variant v(5); VarArrayRedim(v, 3); }, Raises::InvalidArg, "redim of a scalar"},
      {[] { (void)VarArrayOf({}).GetElement(0); }, Raises::BadIndex, "element of an empty array"},
  };
  for (const Case& c : errors) EXPECT_STREQ(Name(c.raises), Name(Catch(c.f))) << c.what;
}

TEST_F(VariantTest, ArrayCreationChecksBoundsAndElementType) {
  struct Case {
    std::vector<Integer> bounds;
    TVarType type;
    Raises raises;
  };
  const Case cases[] = {
      {{0, 4}, varVariant, Raises::Nothing},
      {{3, 2}, varDouble, Raises::Nothing},  // empty
      {{0, 1, 5, 6}, varOleStr, Raises::Nothing},
      {{}, varVariant, Raises::ArrayCreate},
      {{1}, varVariant, Raises::ArrayCreate},
      {{3, 1}, varVariant, Raises::ArrayCreate},
      {{0, 1}, varString, Raises::ArrayCreate},
      {{0, 1}, varNull, Raises::ArrayCreate},
      {{0, 1}, varEmpty, Raises::ArrayCreate},
      {{INT32_MIN, INT32_MAX}, varByte, Raises::ArrayCreate},
      {{0, 100000, 0, 100000}, varByte, Raises::ArrayCreate},
  };
  for (const Case& c : cases) {
    Variant a;
    EXPECT_STREQ(Name(c.raises), Name(Catch([&] { a = VarArrayCreate(c.bounds, c.type); })))
        << VarTypeAsText(c.type) << " with " << c.bounds.size() << " bounds";
  }
  EXPECT_EQ("", VarArrayCreate({0, 0}, varOleStr).GetElement(0).AsString());
  EXPECT_EQ(varOleStr, VarType(VarArrayCreate({0, 0}, varOleStr).GetElement(0)));
  EXPECT_FALSE(VarArrayCreate({0, 0}, varBoolean).GetElement(0).AsBoolean());
}

TEST_F(VariantTest, RedimKeepsTheElementsThatRemain) {
  Variant a = VarArrayOf({1, 2, 3});
  Variant before = a;
  VarArrayRedim(a, 4);
  EXPECT_EQ(4, VarArrayHighBound(a, 1));
  EXPECT_EQ(3, a.GetElement(2).AsInteger());
  EXPECT_TRUE(a.GetElement(4).IsEmpty());
  EXPECT_EQ(2, VarArrayHighBound(before, 1));  // a copy taken before keeps its shape
  VarArrayRedim(a, 0);
  EXPECT_EQ(0, VarArrayHighBound(a, 1));
  EXPECT_EQ(1, a.GetElement(0).AsInteger());
  VarArrayRedim(a, -1);
  EXPECT_EQ(-1, VarArrayHighBound(a, 1));
  EXPECT_THROW(VarArrayRedim(a, -2), EVariantArrayCreateError);

  Variant typed = VarArrayCreate({1, 2}, varDouble);
  typed.PutElement(2, 2.5);
  VarArrayRedim(typed, 3);
  EXPECT_DOUBLE_EQ(2.5, typed.GetElement(2).AsDouble());
  ExpectIdentical(Variant(0.0), typed.GetElement(3), "new typed element");
}

TEST_F(VariantTest, MultiDimensionalArrays) {
  Variant m = VarArrayCreate({0, 1, 5, 7}, varInteger);
  EXPECT_EQ(2, VarArrayDimCount(m));
  EXPECT_EQ(5, VarArrayLowBound(m, 2));
  EXPECT_EQ(7, VarArrayHighBound(m, 2));
  for (Integer i = 0; i <= 1; ++i)
    for (Integer j = 5; j <= 7; ++j) VarArrayPut(m, Variant(i * 10 + j), {i, j});
  EXPECT_EQ(17, VarArrayGet(m, {1, 7}).AsInteger());
  EXPECT_EQ(6, VarArrayGet(m, {0, 6}).AsInteger());
  EXPECT_THROW(VarArrayGet(m, {2, 5}), EVariantBadIndexError);
  EXPECT_THROW(VarArrayGet(m, {0, 8}), EVariantBadIndexError);
  EXPECT_THROW(m.GetElement(0), EVariantBadIndexError);

  // Growing the last dimension keeps every element at its indexes.
  VarArrayRedim(m, 8);
  EXPECT_EQ(8, VarArrayHighBound(m, 2));
  for (Integer i = 0; i <= 1; ++i) {
    for (Integer j = 5; j <= 7; ++j) EXPECT_EQ(i * 10 + j, VarArrayGet(m, {i, j}).AsInteger());
    EXPECT_EQ(0, VarArrayGet(m, {i, 8}).AsInteger());
  }
  VarArrayRedim(m, 5);
  EXPECT_EQ(15, VarArrayGet(m, {1, 5}).AsInteger());
}

}  // namespace
