// Internals of Variant shared by its .cpp files: the heap representations of strings and
// arrays, raw access to the payload, and the conversion helpers.
#pragma once

#include <atomic>
#include <vector>

#include "rtl/Variants.h"

namespace rtl_detail {
struct VarStringRep {
  std::atomic<int> refs{1};
  String text;
};

struct VarArrayRep {
  std::atomic<int> refs{1};
  TVarType elementType = varVariant;
  std::vector<Integer> bounds;  // low, high of each dimension
  std::vector<Variant> items;   // row-major: the last index varies fastest
};

String TypeName(TVarType t);
[[noreturn]] void CastError(TVarType from, TVarType to);
[[noreturn]] void OverflowError(TVarType from, TVarType to);
[[noreturn]] void InvalidOp();
[[noreturn]] void BadIndex();
[[noreturn]] void InvalidArg();
[[noreturn]] void ArrayCreateError();

bool IsIntegerType(TVarType t);
// Number and date texts through the global format settings.
bool TextToDouble(const String& s, double& out);
bool TextToInt64(const String& s, Int64& out);
bool TextToDate(const String& s, double& out);
bool TextToBoolean(const String& s, bool& out);
Int64 DoubleToInt64(double d, TVarType from, TVarType to);
// A currency's scaled value rounded half to even to a whole number.
Int64 CurrencyRound(Int64 raw);
// The value of an integer or Boolean variant (True is -1).
Int64 OrdinalValue(const Variant& v);
Variant DefaultOf(TVarType t);
}  // namespace rtl_detail

struct VariantAccess {
  static void SetType(Variant& v, TVarType t) { v.type_ = t; }
  static void SetArray(Variant& v, rtl_detail::VarArrayRep* rep, TVarType t) {
    v.Clear();
    v.type_ = t;
    v.arr_ = rep;
  }
  static rtl_detail::VarArrayRep* Array(const Variant& v) { return v.arr_; }
  static const String& Str(const Variant& v) { return v.str_->text; }
  static Int64 Ordinal(const Variant& v) {
    switch (v.type_) {
      case varShortInt: return v.i8_;
      case varByte: return v.u8_;
      case varSmallint: return v.i16_;
      case varWord: return v.u16_;
      case varInteger: return v.i32_;
      case varLongWord: return v.u32_;
      case varInt64: return v.i64_;
      case varBoolean: return v.b_ ? -1 : 0;
      default: return 0;
    }
  }
  static double Dbl(const Variant& v) { return v.d_; }    // varDouble, varDate
  static float Sgl(const Variant& v) { return v.f_; }     // varSingle
  static Int64 Raw(const Variant& v) { return v.i64_; }   // varCurrency, varInt64
  static bool Bool(const Variant& v) { return v.b_; }
};
