// Variant comparison and arithmetic (the rules are tabled in rtl/Variants.h).
#include <cmath>
#include <cstring>

#include "rtl/SysUtils.h"
#include "rtl/Variants.h"
#include "rtl/VariantsImpl.h"

using namespace rtl_detail;

namespace {

// What a var type is for comparison and arithmetic.
enum class Kind { Empty, Null, Int, Bool, Float, Curr, Date, Str, Array, Other };

Kind KindOf(TVarType t) {
  if (t & varArray) return Kind::Array;
  switch (t) {
    case varEmpty: return Kind::Empty;
    case varNull: return Kind::Null;
    case varShortInt: case varByte: case varSmallint: case varWord: case varInteger:
    case varLongWord: case varInt64:
      return Kind::Int;
    case varBoolean: return Kind::Bool;
    case varSingle: case varDouble: return Kind::Float;
    case varCurrency: return Kind::Curr;
    case varDate: return Kind::Date;
    case varString: case varOleStr: return Kind::Str;
    default: return Kind::Other;
  }
}

template <class T>
int Sign3(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Doubles in a total order: NaN before every number, equal to itself.
int CompareDoubles(double a, double b) {
  bool na = std::isnan(a), nb = std::isnan(b);
  if (na || nb) return na == nb ? 0 : (na ? -1 : 1);
  return Sign3(a, b);
}

// Ordinal: byte order of the UTF-8 text, which is code-point order.
int CompareStrings(const String& a, const String& b) {
  int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

double NumberOf(const Variant& v, Kind k) {
  switch (k) {
    case Kind::Int: case Kind::Bool: return double(VariantAccess::Ordinal(v));
    case Kind::Float:
      return v.VarType() == varSingle ? double(VariantAccess::Sgl(v)) : VariantAccess::Dbl(v);
    case Kind::Date: return VariantAccess::Dbl(v);
    case Kind::Curr: return double(VariantAccess::Raw(v)) / 10000.0;
    default: return v.AsDouble();
  }
}

// A string compared with a number: the string is read as a number (an integer exactly when
// both are integers).
int CompareTextWithNumber(const Variant& s, const Variant& n, Kind kn) {
  const String& text = VariantAccess::Str(s);
  if (kn == Kind::Int || kn == Kind::Bool) {
    Int64 i;
    if (TryStrToInt64(text, i)) return Sign3(i, VariantAccess::Ordinal(n));
  }
  double d;
  if (kn == Kind::Date) {
    if (!TextToDate(text, d)) CastError(s.VarType(), varDate);
  } else if (!TextToDouble(text, d)) {
    CastError(s.VarType(), varDouble);
  }
  return CompareDoubles(d, NumberOf(n, kn));
}

// -1, 0 or 1; Null orders before everything and equals Null.
int Compare3(const Variant& a, const Variant& b) {
  TVarType ta = a.VarType(), tb = b.VarType();
  if (ta == varInteger && tb == varInteger)
    return Sign3(VariantAccess::Ordinal(a), VariantAccess::Ordinal(b));
  if (ta == varDouble && tb == varDouble)
    return CompareDoubles(VariantAccess::Dbl(a), VariantAccess::Dbl(b));
  Kind ka = KindOf(ta), kb = KindOf(tb);
  if (ka == Kind::Str && kb == Kind::Str)
    return CompareStrings(VariantAccess::Str(a), VariantAccess::Str(b));
  if (ka == Kind::Array || kb == Kind::Array || ka == Kind::Other || kb == Kind::Other) InvalidOp();
  if (ka == Kind::Null || kb == Kind::Null) return ka == kb ? 0 : (ka == Kind::Null ? -1 : 1);
  if (ka == Kind::Empty || kb == Kind::Empty) {
    if (ka == kb) return 0;
    // Empty stands for the other side's zero: "", False or 0.
    Kind other = ka == Kind::Empty ? kb : ka;
    Variant zero = other == Kind::Str ? Variant(String()) : other == Kind::Bool ? Variant(false)
                                                                                  : Variant(0);
    return ka == Kind::Empty ? Compare3(zero, b) : Compare3(a, zero);
  }
  if (ka == Kind::Bool && kb == Kind::Bool)
    return Sign3(int(VariantAccess::Bool(a)), int(VariantAccess::Bool(b)));
  // A Boolean against a string compares as its text, "True" or "False".
  if (ka == Kind::Bool && kb == Kind::Str)
    return CompareStrings(VariantAccess::Bool(a) ? "True" : "False", VariantAccess::Str(b));
  if (ka == Kind::Str && kb == Kind::Bool)
    return CompareStrings(VariantAccess::Str(a), VariantAccess::Bool(b) ? "True" : "False");
  if (ka == Kind::Str) return CompareTextWithNumber(a, b, kb);
  if (kb == Kind::Str) return -CompareTextWithNumber(b, a, ka);
  // Numbers of any kind.
  bool ia = ka == Kind::Int || ka == Kind::Bool, ib = kb == Kind::Int || kb == Kind::Bool;
  if (ia && ib) return Sign3(VariantAccess::Ordinal(a), VariantAccess::Ordinal(b));
  if ((ia || ka == Kind::Curr) && (ib || kb == Kind::Curr)) {
    __int128 ra = ia ? __int128(VariantAccess::Ordinal(a)) * 10000 : VariantAccess::Raw(a);
    __int128 rb = ib ? __int128(VariantAccess::Ordinal(b)) * 10000 : VariantAccess::Raw(b);
    return Sign3(ra, rb);
  }
  return CompareDoubles(NumberOf(a, ka), NumberOf(b, kb));
}

// ---------------------------------------------------------------------------------------------
// Arithmetic

enum class Op { Add, Sub, Mul, Div, IntDiv, Mod, And, Or, Xor };

Variant IntResult(Int64 v, bool wide) {
  if (!wide && v >= INT32_MIN && v <= INT32_MAX) return Variant(Integer(v));
  return Variant(v);
}

Variant DateResult(double d) { return VarFromDateTime(d); }

[[noreturn]] void DivideByZero(bool zeroDividend) {
  if (zeroDividend) throw EInvalidOp("Invalid floating point operation");
  throw EZeroDivide("Floating point division by zero");
}

[[noreturn]] void CurrencyOverflow() {
  throw EVariantOverflowError("Overflow while converting variant of type (Currency) into type (Currency)");
}

Variant CurrResult(__int128 raw) {
  if (raw > INT64_MAX || raw < INT64_MIN) CurrencyOverflow();
  return Variant(Currency::FromRaw(Int64(raw)));
}

// num / den rounded half to even.
__int128 DivRound(__int128 num, __int128 den) {
  __int128 q = num / den, r = num % den;
  __int128 twice = (r < 0 ? -r : r) * 2, absDen = den < 0 ? -den : den;
  bool negative = (num < 0) != (den < 0);
  if (twice > absDen || (twice == absDen && (q & 1))) q += negative ? -1 : 1;
  return q;
}

Variant CurrencyFromDouble(long double d) {
  long double scaled = d * 10000.0L;
  if (!(scaled > -9223372036854775808.0L && scaled < 9223372036854775807.0L)) CurrencyOverflow();
  return Variant(Currency::FromRaw(Int64(std::nearbyintl(scaled))));
}

double FloatOp(Op op, double x, double y) {
  switch (op) {
    case Op::Add: return x + y;
    case Op::Sub: return x - y;
    case Op::Mul: return x * y;
    default:
      if (y == 0) DivideByZero(x == 0);
      return x / y;
  }
}

// Both operands are numbers: Int (Booleans included), Float, Curr or Date.
Variant NumericOp(Op op, const Variant& a, Kind ka, const Variant& b, Kind kb) {
  if (ka == Kind::Date || kb == Kind::Date) {
    double r = FloatOp(op, NumberOf(a, ka), NumberOf(b, kb));
    bool bothDates = ka == Kind::Date && kb == Kind::Date;
    if (op == Op::Add || (op == Op::Sub && !bothDates)) return DateResult(r);
    return Variant(r);
  }
  if (ka == Kind::Curr || kb == Kind::Curr) {
    if (ka == Kind::Float || kb == Kind::Float) {
      long double x = NumberOf(a, ka), y = NumberOf(b, kb);
      if (op == Op::Add || op == Op::Sub) {
        __int128 rx = ka == Kind::Curr ? VariantAccess::Raw(a) : CurrencyFromDouble(x).AsCurrency().Raw();
        __int128 ry = kb == Kind::Curr ? VariantAccess::Raw(b) : CurrencyFromDouble(y).AsCurrency().Raw();
        return CurrResult(op == Op::Add ? rx + ry : rx - ry);
      }
      if (op == Op::Div && y == 0) DivideByZero(x == 0);
      return CurrencyFromDouble(op == Op::Mul ? x * y : x / y);
    }
    // Exact: currency and integers as scaled integers.
    bool ca = ka == Kind::Curr, cb = kb == Kind::Curr;
    __int128 x = ca ? VariantAccess::Raw(a) : __int128(VariantAccess::Ordinal(a)) * 10000;
    __int128 y = cb ? VariantAccess::Raw(b) : __int128(VariantAccess::Ordinal(b)) * 10000;
    switch (op) {
      case Op::Add: return CurrResult(x + y);
      case Op::Sub: return CurrResult(x - y);
      case Op::Mul: return CurrResult(DivRound(x * y, 10000));
      default:
        if (y == 0) DivideByZero(x == 0);
        return CurrResult(DivRound(x * 10000, y));
    }
  }
  if (ka == Kind::Float || kb == Kind::Float || op == Op::Div)
    return Variant(FloatOp(op, NumberOf(a, ka), NumberOf(b, kb)));
  // Integers: 32-bit results stay Integer, larger ones widen to Int64, then to a double.
  Int64 x = VariantAccess::Ordinal(a), y = VariantAccess::Ordinal(b), r;
  bool overflow = op == Op::Add ? __builtin_add_overflow(x, y, &r)
                  : op == Op::Sub ? __builtin_sub_overflow(x, y, &r)
                                  : __builtin_mul_overflow(x, y, &r);
  if (overflow) return Variant(FloatOp(op, double(x), double(y)));
  return IntResult(r, a.VarType() == varInt64 || b.VarType() == varInt64);
}

Variant IntegerOp(Op op, const Variant& a, const Variant& b) {
  Int64 x = a.AsInt64(), y = b.AsInt64();
  bool wide = a.VarType() == varInt64 || b.VarType() == varInt64;
  switch (op) {
    case Op::IntDiv:
    case Op::Mod:
      if (y == 0) throw EZeroDivide("Division by zero");
      if (x == INT64_MIN && y == -1)
        return op == Op::Mod ? IntResult(0, wide) : Variant(-double(INT64_MIN));
      return IntResult(op == Op::Mod ? x % y : x / y, wide);
    case Op::And: return IntResult(x & y, wide);
    case Op::Or: return IntResult(x | y, wide);
    default: return IntResult(x ^ y, wide);
  }
}

bool BooleanOf(const Variant& v) {
  if (v.VarType() == varBoolean) return VariantAccess::Bool(v);
  bool r;
  if (!TextToBoolean(VariantAccess::Str(v), r)) CastError(v.VarType(), varBoolean);
  return r;
}

Variant Binary(Op op, const Variant& a, const Variant& b) {
  TVarType ta = a.VarType(), tb = b.VarType();
  if (ta == varInteger && tb == varInteger && op <= Op::Mul) return NumericOp(op, a, Kind::Int, b, Kind::Int);
  if (ta == varDouble && tb == varDouble && op <= Op::Div)
    return Variant(FloatOp(op, VariantAccess::Dbl(a), VariantAccess::Dbl(b)));
  Kind ka = KindOf(ta), kb = KindOf(tb);
  if (ka == Kind::Array || kb == Kind::Array || ka == Kind::Other || kb == Kind::Other) InvalidOp();
  if (ka == Kind::Null || kb == Kind::Null) return Null();
  if (ka == Kind::Empty || kb == Kind::Empty) {
    // Empty stands for "" beside a string in a sum, False beside a Boolean in a logical
    // operation, and 0 otherwise.
    Kind other = ka == Kind::Empty ? kb : ka;
    Variant zero(0);
    if (op == Op::Add && other == Kind::Str) zero = Variant(String());
    else if (op >= Op::And && other == Kind::Bool) zero = Variant(false);
    if (ka == Kind::Empty && kb == Kind::Empty) return Binary(op, zero, zero);
    return ka == Kind::Empty ? Binary(op, zero, b) : Binary(op, a, zero);
  }
  if (op == Op::Add && ka == Kind::Str && kb == Kind::Str) {
    Variant r(VariantAccess::Str(a) + VariantAccess::Str(b));
    if (ta == varOleStr && tb == varOleStr) VariantAccess::SetType(r, varOleStr);
    return r;
  }
  if (op >= Op::And) {
    bool boolean = (ka == Kind::Bool && (kb == Kind::Bool || kb == Kind::Str)) ||
                   (kb == Kind::Bool && ka == Kind::Str);
    if (boolean) {
      bool x = BooleanOf(a), y = BooleanOf(b);
      return Variant(op == Op::And ? (x && y) : op == Op::Or ? (x || y) : (x != y));
    }
    return IntegerOp(op, a, b);
  }
  if (op == Op::IntDiv || op == Op::Mod) return IntegerOp(op, a, b);
  // A string operand of an arithmetic operation is read as a number.
  if (ka == Kind::Str || kb == Kind::Str) {
    Variant x = ka == Kind::Str ? Variant(a.AsDouble()) : a;
    Variant y = kb == Kind::Str ? Variant(b.AsDouble()) : b;
    return NumericOp(op, x, KindOf(x.VarType()), y, KindOf(y.VarType()));
  }
  return NumericOp(op, a, ka, b, kb);
}

}  // namespace

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
  bool clearA = a.IsNull() || a.IsEmpty(), clearB = b.IsNull() || b.IsEmpty();
  if (clearA || clearB) return a.VarType() == b.VarType() ? vrEqual : vrNotEqual;
  int c = Compare3(a, b);
  return c < 0 ? vrLessThan : (c > 0 ? vrGreaterThan : vrEqual);
}

bool VarSameValue(const Variant& a, const Variant& b) {
  bool clearA = a.IsNull() || a.IsEmpty(), clearB = b.IsNull() || b.IsEmpty();
  if (clearA || clearB) return a.VarType() == b.VarType();
  return Compare3(a, b) == 0;
}

bool operator==(const Variant& a, const Variant& b) { return Compare3(a, b) == 0; }
bool operator!=(const Variant& a, const Variant& b) { return Compare3(a, b) != 0; }
bool operator<(const Variant& a, const Variant& b) { return Compare3(a, b) < 0; }
bool operator>(const Variant& a, const Variant& b) { return Compare3(a, b) > 0; }
bool operator<=(const Variant& a, const Variant& b) { return Compare3(a, b) <= 0; }
bool operator>=(const Variant& a, const Variant& b) { return Compare3(a, b) >= 0; }

Variant operator+(const Variant& a, const Variant& b) { return Binary(Op::Add, a, b); }
Variant operator-(const Variant& a, const Variant& b) { return Binary(Op::Sub, a, b); }
Variant operator*(const Variant& a, const Variant& b) { return Binary(Op::Mul, a, b); }
Variant operator/(const Variant& a, const Variant& b) { return Binary(Op::Div, a, b); }
Variant VarIntDiv(const Variant& a, const Variant& b) { return Binary(Op::IntDiv, a, b); }
Variant VarMod(const Variant& a, const Variant& b) { return Binary(Op::Mod, a, b); }
Variant VarAnd(const Variant& a, const Variant& b) { return Binary(Op::And, a, b); }
Variant VarOr(const Variant& a, const Variant& b) { return Binary(Op::Or, a, b); }
Variant VarXor(const Variant& a, const Variant& b) { return Binary(Op::Xor, a, b); }

Variant& operator+=(Variant& a, const Variant& b) { return a = a + b; }
Variant& operator-=(Variant& a, const Variant& b) { return a = a - b; }
Variant& operator*=(Variant& a, const Variant& b) { return a = a * b; }
Variant& operator/=(Variant& a, const Variant& b) { return a = a / b; }

Variant operator-(const Variant& a) {
  TVarType t = a.VarType();
  switch (KindOf(t)) {
    case Kind::Null: return a;
    case Kind::Empty: return Variant(0);
    case Kind::Int: case Kind::Bool: {
      Int64 v = VariantAccess::Ordinal(a);
      if (v == INT64_MIN) return Variant(-double(v));
      return IntResult(-v, t == varInt64);
    }
    case Kind::Float:
      return t == varSingle ? Variant(-VariantAccess::Sgl(a)) : Variant(-VariantAccess::Dbl(a));
    case Kind::Date: return DateResult(-VariantAccess::Dbl(a));
    case Kind::Curr: return CurrResult(-__int128(VariantAccess::Raw(a)));
    case Kind::Str: return Variant(-a.AsDouble());
    default: InvalidOp();
  }
}

Variant VarNot(const Variant& a) {
  TVarType t = a.VarType();
  switch (KindOf(t)) {
    case Kind::Null: return a;
    case Kind::Empty: return Variant(-1);
    case Kind::Bool: return Variant(!VariantAccess::Bool(a));
    case Kind::Array: case Kind::Other: InvalidOp();
    case Kind::Str: {
      // "True" and "False" negate as Booleans, other texts as numbers.
      String t = Trim(VariantAccess::Str(a));
      if (SameText(t, "True") || SameText(t, "False")) return Variant(!SameText(t, "True"));
      return IntResult(~a.AsInt64(), false);
    }
    default: return IntResult(~a.AsInt64(), t == varInt64);
  }
}
