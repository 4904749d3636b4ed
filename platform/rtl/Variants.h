// Variant: a tagged value with the platform's var type codes, its conversions, comparison and
// arithmetic rules, and variant arrays.
//
// Layout: a 16-byte value (a type code and an 8-byte payload). Strings and arrays live on the
// heap behind a reference count; copies share them, and an array is copied before it is
// changed, so a Variant always behaves as a value. Moves never allocate.
//
// Strings (varString and varOleStr) both hold UTF-8 `String`. Empty (unassigned) and Null are
// distinct values.
#pragma once

#include <initializer_list>
#include <vector>

#include "rtl/Currency.h"
#include "rtl/System.h"
#include "rtl/Types.h"

using TVarType = Word;

constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varOleStr = 0x0008;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varString = 0x0100;
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;

// An array operation on a scalar ("Invalid argument"); the rest of the family is declared in
// rtl/System.h.
KORVAN_EXCEPTION(EVariantInvalidArgError, EVariantError);

// The answer of VarCompareValue.
enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

namespace rtl_detail {
struct VarStringRep;
struct VarArrayRep;
}  // namespace rtl_detail

class Variant {
 public:
  // Empty (unassigned).
  Variant() noexcept : type_(varEmpty), i64_(0) {}
  Variant(const Variant& o) : type_(o.type_), i64_(o.i64_) {
    if (type_ >= varOleStr) AddRef();
  }
  Variant(Variant&& o) noexcept : type_(o.type_), i64_(o.i64_) {
    o.type_ = varEmpty;
    o.i64_ = 0;
  }
  Variant& operator=(const Variant& o) {
    if (this != &o) {
      Variant tmp(o);
      Swap(tmp);
    }
    return *this;
  }
  Variant& operator=(Variant&& o) noexcept {
    if (this != &o) {
      if (type_ >= varOleStr) Release();
      type_ = o.type_;
      i64_ = o.i64_;
      o.type_ = varEmpty;
      o.i64_ = 0;
    }
    return *this;
  }
  ~Variant() {
    if (type_ >= varOleStr) Release();
  }

  // Integers take the var type of their width and sign: int8 varShortInt, uint8 varByte,
  // int16 varSmallint, uint16 varWord, int32 varInteger, uint32 varLongWord, int64
  // varInt64. An unsigned 64-bit value above the Int64 range raises EVariantOverflowError.
  // Character types are refused: a character is text, write a string.
  template <class T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char> &&
             !std::is_same_v<T, wchar_t> && !std::is_same_v<T, char8_t> &&
             !std::is_same_v<T, char16_t> && !std::is_same_v<T, char32_t>)
  Variant(T v) : type_(varEmpty), i64_(0) {
    SetInteger(v);
  }
  Variant(char) = delete;
  Variant(bool v) noexcept : type_(varBoolean), i64_(0) { b_ = v; }
  Variant(float v) noexcept : type_(varSingle), i64_(0) { f_ = v; }
  Variant(double v) noexcept : type_(varDouble), i64_(0) { d_ = v; }
  Variant(long double v) noexcept : type_(varDouble), i64_(0) { d_ = double(v); }
  Variant(Currency v) noexcept : type_(varCurrency), i64_(v.Raw()) {}
  Variant(const String& s);
  Variant(String&& s);
  Variant(const char* s);
  Variant(std::nullptr_t) = delete;

  // The var type, array flag included (varArray | element type for an array).
  TVarType VarType() const { return type_; }
  bool IsEmpty() const { return type_ == varEmpty; }
  bool IsNull() const { return type_ == varNull; }
  bool IsArray() const { return (type_ & varArray) != 0; }
  bool IsString() const { return type_ == varString || type_ == varOleStr; }

  // Conversions with the platform's rules. Null raises EVariantTypeCastError; a value that
  // cannot be converted raises EVariantTypeCastError, one out of the target's range
  // EVariantOverflowError. Empty gives 0, 0.0, False or "".
  Integer AsInteger() const;
  Int64 AsInt64() const;
  double AsDouble() const;
  Currency AsCurrency() const;
  TDateTime AsDateTime() const;
  Boolean AsBoolean() const;
  String AsString() const;

  // Unchecked payload access for callers that tested VarType first.
  const String& StrRef() const;  // varString or varOleStr only

  // One-dimensional array elements (the index counts from the array's low bound). Raises
  // EVariantInvalidArgError for a scalar, EVariantBadIndexError out of range or for an
  // array of more dimensions. A stored value is converted to the element type.
  Variant GetElement(Integer index) const;
  void PutElement(Integer index, const Variant& value);

  // Assignment from anything that converts.
  template <class T>
    requires std::is_constructible_v<Variant, T&&> &&
             (!std::is_same_v<std::remove_cvref_t<T>, Variant>)
  Variant& operator=(T&& v) {
    return *this = Variant(std::forward<T>(v));
  }

  void Clear() noexcept {
    if (type_ >= varOleStr) Release();
    type_ = varEmpty;
    i64_ = 0;
  }
  void Swap(Variant& o) noexcept {
    std::swap(type_, o.type_);
    std::swap(i64_, o.i64_);
  }

 private:
  friend struct VariantAccess;
  template <class T>
  void SetInteger(T v) {
    if constexpr (std::is_signed_v<T>) {
      if constexpr (sizeof(T) == 1) { type_ = varShortInt; i8_ = int8_t(v); }
      else if constexpr (sizeof(T) == 2) { type_ = varSmallint; i16_ = int16_t(v); }
      else if constexpr (sizeof(T) == 4) { type_ = varInteger; i32_ = int32_t(v); }
      else { type_ = varInt64; i64_ = Int64(v); }
    } else {
      if constexpr (sizeof(T) == 1) { type_ = varByte; u8_ = uint8_t(v); }
      else if constexpr (sizeof(T) == 2) { type_ = varWord; u16_ = uint16_t(v); }
      else if constexpr (sizeof(T) == 4) { type_ = varLongWord; u32_ = uint32_t(v); }
      else SetUInt64(uint64_t(v));
    }
  }
  void SetUInt64(uint64_t v);
  // Take or drop a reference to the string or array (only called for type_ >= varOleStr).
  void AddRef() noexcept;
  void Release() noexcept;

  TVarType type_;
  union {
    int8_t i8_;
    uint8_t u8_;
    int16_t i16_;
    uint16_t u16_;
    int32_t i32_;
    uint32_t u32_;
    Int64 i64_;  // varInt64, and varCurrency's scaled value
    float f_;
    double d_;   // varDouble and varDate
    bool b_;
    rtl_detail::VarStringRep* str_;
    rtl_detail::VarArrayRep* arr_;
  };
};

static_assert(sizeof(Variant) == 16);

// The two special values.
Variant Null();
Variant Unassigned();
Variant VarFromDateTime(TDateTime dt);
Variant VarFromCurrency(Currency c);

// Type tests.
TVarType VarType(const Variant& v);
bool VarIsType(const Variant& v, TVarType t);
bool VarIsType(const Variant& v, std::initializer_list<TVarType> types);
bool VarIsNull(const Variant& v);
bool VarIsEmpty(const Variant& v);
bool VarIsClear(const Variant& v);  // empty (unassigned)
bool VarIsArray(const Variant& v);
bool VarIsStr(const Variant& v);
bool VarIsNumeric(const Variant& v);  // ordinal or float (Booleans count as ordinal)
bool VarIsOrdinal(const Variant& v);  // integers of any width and Booleans
bool VarIsFloat(const Variant& v);    // single, double, currency

// The type's display name: "Empty", "Null", "Smallint", "Integer", "Single", "Double",
// "Currency", "Date", "OleStr", "Boolean", "Variant", "ShortInt", "Byte", "Word", "LongWord",
// "Int64", "String"; arrays "Array of " + element name; unknown codes "$" and 4 hex digits.
String VarTypeAsText(TVarType t);

// Conversions. VarToStr gives "" for Null; VarToStrDef gives `def` for Null (Empty gives "").
String VarToStr(const Variant& v);
String VarToStrDef(const Variant& v, const String& def);
TDateTime VarToDateTime(const Variant& v);
// The value converted to another var type (a scalar type code or varVariant, which returns
// the value as it is). Raises EVariantTypeCastError or EVariantOverflowError.
Variant VarAsType(const Variant& v, TVarType t);

// Arrays. `bounds` holds low and high of each dimension in turn ({0, 9} or {1, 3, 0, 4}).
// Elements start as the element type's default (Empty for varVariant). Raises
// EVariantArrayCreateError for an odd or empty bounds list, a high below low - 1 or an
// element type that cannot be stored.
Variant VarArrayCreate(std::initializer_list<Integer> bounds, TVarType elementType);
Variant VarArrayCreate(const std::vector<Integer>& bounds, TVarType elementType);
// An array [0..n-1] of varVariant holding the values in order.
Variant VarArrayOf(std::initializer_list<Variant> values);
Variant VarArrayOf(const std::vector<Variant>& values);
Integer VarArrayDimCount(const Variant& a);  // 0 for a scalar
// `dim` counts from 1. A scalar raises EVariantInvalidArgError, a dimension out of range
// EVariantBadIndexError.
Integer VarArrayLowBound(const Variant& a, Integer dim);
Integer VarArrayHighBound(const Variant& a, Integer dim);
// Element access by one index per dimension; EVariantBadIndexError out of range or for a
// wrong number of indexes.
Variant VarArrayGet(const Variant& a, std::initializer_list<Integer> indexes);
void VarArrayPut(Variant& a, const Variant& value, std::initializer_list<Integer> indexes);
// Changes the high bound of the last dimension, keeping the elements that remain.
void VarArrayRedim(Variant& a, Integer highBound);

// Comparison.
//
//   left / right            | rule
//   ------------------------+---------------------------------------------------------------
//   Null, Null              | equal
//   Null, anything else     | not equal; Null orders before every other value
//   Empty, Empty            | equal
//   Empty, number/Boolean   | Empty acts as 0 (False)
//   Empty, string           | Empty acts as ""
//   Empty, date             | Empty acts as the date 0
//   number, number          | numeric, across every integer width, float, currency, date
//   string, string          | ordinal: UTF-8 byte order (code-point order), case-sensitive
//   string, number          | the string converted to a number (locale's parsing)
//   string, date            | the string converted to a date (or, failing that, a number)
//   Boolean, number         | numeric, True being -1
//   Boolean, string         | the Boolean's text ("True", "False") against the string, ordinal
//   Boolean, Boolean        | False orders before True
//   array, anything         | EVariantInvalidOpError
//
// A NaN orders before every other number and equals NaN. A string that does not convert
// raises EVariantTypeCastError.
//
// VarCompareValue answers vrEqual for two Nulls or two Empties and vrNotEqual for Null or
// Empty against anything else; other pairs follow the table.
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
// True when both are Null, both Empty, or neither and they compare equal.
bool VarSameValue(const Variant& a, const Variant& b);

bool operator==(const Variant& a, const Variant& b);
bool operator!=(const Variant& a, const Variant& b);
bool operator<(const Variant& a, const Variant& b);
bool operator>(const Variant& a, const Variant& b);
bool operator<=(const Variant& a, const Variant& b);
bool operator>=(const Variant& a, const Variant& b);

// Arithmetic.
//   - Null in either operand gives Null.
//   - Empty acts as 0, or as "" against a string.
//   - string + string concatenates; any other pairing with a string converts the string to
//     a number first.
//   - integers widen: a 32-bit result that overflows becomes Int64, an Int64 result that
//     overflows becomes a double; nothing wraps.
//   - a float operand makes the result a double; currency with an integer stays currency.
//   - a date plus or minus a number stays a date; a date minus a date is a double.
//   - `/` gives a double (currency divided by an integer stays currency).
//   - div and mod work on 64-bit integers (other operands converted); a zero divisor
//     raises EZeroDivide, and so does `/` by zero.
//   - and, or, xor, not: bitwise on integers; on Booleans (or a Boolean and a "True" or
//     "False" text) the result is a Boolean.
Variant operator+(const Variant& a, const Variant& b);
Variant operator-(const Variant& a, const Variant& b);
Variant operator*(const Variant& a, const Variant& b);
Variant operator/(const Variant& a, const Variant& b);
Variant operator-(const Variant& a);
Variant VarIntDiv(const Variant& a, const Variant& b);  // div
Variant VarMod(const Variant& a, const Variant& b);     // mod
Variant VarAnd(const Variant& a, const Variant& b);
Variant VarOr(const Variant& a, const Variant& b);
Variant VarXor(const Variant& a, const Variant& b);
Variant VarNot(const Variant& a);

Variant& operator+=(Variant& a, const Variant& b);
Variant& operator-=(Variant& a, const Variant& b);
Variant& operator*=(Variant& a, const Variant& b);
Variant& operator/=(Variant& a, const Variant& b);
