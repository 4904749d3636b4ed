// Variant storage, type tests, conversions and arrays. Comparison and arithmetic are in
// VariantOps.cpp.
#include "rtl/Variants.h"

#include <cfloat>
#include <cmath>
#include <cctype>
#include <cstdio>
#include <new>

#include "rtl/SysUtils.h"
#include "rtl/VariantsImpl.h"

using rtl_detail::VarArrayRep;
using rtl_detail::VarStringRep;

namespace rtl_detail {

String TypeName(TVarType t) { return VarTypeAsText(t); }

[[noreturn]] void CastError(TVarType from, TVarType to) {
  throw EVariantTypeCastError("Could not convert variant of type (" + TypeName(from) +
                              ") into type (" + TypeName(to) + ")");
}

[[noreturn]] void OverflowError(TVarType from, TVarType to) {
  throw EVariantOverflowError("Overflow while converting variant of type (" + TypeName(from) +
                              ") into type (" + TypeName(to) + ")");
}

[[noreturn]] void InvalidOp() { throw EVariantInvalidOpError("Invalid variant operation"); }

[[noreturn]] void BadIndex() {
  throw EVariantBadIndexError("Variant or safe array index out of bounds");
}

[[noreturn]] void InvalidArg() { throw EVariantInvalidArgError("Invalid argument"); }

[[noreturn]] void ArrayCreateError() {
  throw EVariantArrayCreateError("Error creating variant or safe array");
}

bool IsIntegerType(TVarType t) {
  switch (t) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
    case varLongWord: case varInt64:
      return true;
    default:
      return false;
  }
}

// Groups of three digits between the locale's thousand separators are accepted in number
// texts ("1,234.5"), as imported files often carry them; anything else must be a plain
// number.
static bool StripThousands(const String& text, char sep, char dec, String& out) {
  String s = Trim(text);
  if (sep == '\0' || s.find(sep) == String::npos) return false;
  size_t end = s.find(dec);
  if (end == String::npos) end = s.size();
  out.clear();
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == sep && i < end) {
      bool digitBefore = i > 0 && std::isdigit(static_cast<unsigned char>(s[i - 1]));
      size_t digits = 0;
      while (i + 1 + digits < end && std::isdigit(static_cast<unsigned char>(s[i + 1 + digits])))
        ++digits;
      bool group = digits == 3 && (i + 4 == end || s[i + 4] == sep);
      if (!digitBefore || !group) return false;
      continue;
    }
    out += c;
  }
  return true;
}

bool TextToDouble(const String& s, double& out) {
  if (TryStrToFloat(s, out, FormatSettings)) return true;
  Int64 i;
  if (TryStrToInt64(s, i)) {  // hexadecimal forms
    out = double(i);
    return true;
  }
  String plain;
  if (StripThousands(s, FormatSettings.ThousandSeparator, FormatSettings.DecimalSeparator, plain))
    return TryStrToFloat(plain, out, FormatSettings);
  return false;
}

bool TextToInt64(const String& s, Int64& out) {
  if (TryStrToInt64(s, out)) return true;
  double d;
  if (!TextToDouble(s, d)) return false;
  if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) return false;
  out = Int64(std::nearbyint(d));
  return true;
}

bool TextToDate(const String& s, double& out) {
  return TryStrToDateTime(s, out, FormatSettings) || TextToDouble(s, out);
}

bool TextToBoolean(const String& s, bool& out) {
  String t = Trim(s);
  if (SameText(t, "True")) { out = true; return true; }
  if (SameText(t, "False")) { out = false; return true; }
  double d;
  if (TextToDouble(t, d)) { out = d != 0; return true; }
  return false;
}

Int64 DoubleToInt64(double d, TVarType from, TVarType to) {
  // Rounded half to even, as the platform's float-to-integer conversion does.
  if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) OverflowError(from, to);
  return Int64(std::nearbyint(d));
}

Int64 CurrencyRound(Int64 raw) {
  Int64 q = raw / 10000, r = raw % 10000;
  if (r > 5000 || (r == 5000 && (q & 1))) ++q;
  else if (r < -5000 || (r == -5000 && (q & 1))) --q;
  return q;
}

Int64 OrdinalValue(const Variant& v) { return VariantAccess::Ordinal(v); }

Variant DefaultOf(TVarType t) {
  switch (t) {
    case varVariant: return Variant();
    case varOleStr: return VarAsType(Variant(String()), varOleStr);
    case varString: return Variant(String());
    case varBoolean: return Variant(false);
    default: return VarAsType(Variant(0), t);
  }
}

}  // namespace rtl_detail

using namespace rtl_detail;

// ---------------------------------------------------------------------------------------------
// Storage

void Variant::AddRef() noexcept {
  if (type_ == varString || type_ == varOleStr) str_->refs.fetch_add(1, std::memory_order_relaxed);
  else if (type_ & varArray) arr_->refs.fetch_add(1, std::memory_order_relaxed);
}

void Variant::Release() noexcept {
  if (type_ == varString || type_ == varOleStr) {
    if (str_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete str_;
  } else if (type_ & varArray) {
    if (arr_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete arr_;
  }
}

Variant::Variant(const String& s) : type_(varString), i64_(0) { str_ = new VarStringRep{{1}, s}; }
Variant::Variant(String&& s) : type_(varString), i64_(0) {
  str_ = new VarStringRep{{1}, std::move(s)};
}
Variant::Variant(const char* s) : Variant(String(s ? s : "")) {}

void Variant::SetUInt64(uint64_t v) {
  if (v > uint64_t(INT64_MAX)) throw EVariantOverflowError("Overflow while converting UInt64 into type (Int64)");
  type_ = varInt64;
  i64_ = Int64(v);
}

const String& Variant::StrRef() const { return str_->text; }

// ---------------------------------------------------------------------------------------------
// Conversions

Int64 Variant::AsInt64() const {
  switch (type_) {
    case varEmpty: return 0;
    case varShortInt: case varByte: case varSmallint: case varWord: case varInteger:
    case varLongWord: case varInt64: case varBoolean:
      return OrdinalValue(*this);
    case varSingle: return DoubleToInt64(f_, type_, varInt64);
    case varDouble: case varDate: return DoubleToInt64(d_, type_, varInt64);
    case varCurrency: return CurrencyRound(i64_);
    case varString: case varOleStr: {
      Int64 r;
      if (TextToInt64(str_->text, r)) return r;
      CastError(type_, varInt64);
    }
    default: CastError(type_, varInt64);
  }
}

Integer Variant::AsInteger() const {
  Int64 v;
  switch (type_) {
    case varString: case varOleStr:
      if (!TextToInt64(str_->text, v)) CastError(type_, varInteger);
      break;
    case varSingle: case varDouble: case varDate: {
      double d = type_ == varSingle ? double(f_) : d_;
      if (!(d >= -2147483648.5 && d <= 2147483647.5)) OverflowError(type_, varInteger);
      v = Int64(std::nearbyint(d));
      break;
    }
    case varNull: CastError(type_, varInteger);
    default:
      if (type_ & varArray) CastError(type_, varInteger);
      v = AsInt64();
  }
  if (v < INT32_MIN || v > INT32_MAX) OverflowError(type_, varInteger);
  return Integer(v);
}

double Variant::AsDouble() const {
  switch (type_) {
    case varEmpty: return 0;
    case varShortInt: case varByte: case varSmallint: case varWord: case varInteger:
    case varLongWord: case varInt64: case varBoolean:
      return double(OrdinalValue(*this));
    case varSingle: return f_;
    case varDouble: case varDate: return d_;
    case varCurrency: return double(i64_) / 10000.0;
    case varString: case varOleStr: {
      double d;
      if (TextToDouble(str_->text, d)) return d;
      CastError(type_, varDouble);
    }
    default: CastError(type_, varDouble);
  }
}

static Currency DoubleToCurrency(double d, TVarType from) {
  try {
    return Currency(d);
  } catch (const EConvertError&) {  // NaN, infinities and values beyond the range
    OverflowError(from, varCurrency);
  }
}

Currency Variant::AsCurrency() const {
  switch (type_) {
    case varEmpty: return Currency();
    case varCurrency: return Currency::FromRaw(i64_);
    case varShortInt: case varByte: case varSmallint: case varWord: case varInteger:
    case varLongWord: case varInt64: case varBoolean: {
      Int64 v = OrdinalValue(*this);
      if (v > INT64_MAX / 10000 || v < INT64_MIN / 10000) OverflowError(type_, varCurrency);
      return Currency::FromRaw(v * 10000);
    }
    case varSingle: return DoubleToCurrency(f_, type_);
    case varDouble: case varDate: return DoubleToCurrency(d_, type_);
    case varString: case varOleStr: {
      Currency c;
      if (TryStrToCurr(str_->text, c, FormatSettings)) return c;
      double d;
      if (TextToDouble(str_->text, d)) return DoubleToCurrency(d, type_);
      CastError(type_, varCurrency);
    }
    default: CastError(type_, varCurrency);
  }
}

TDateTime Variant::AsDateTime() const {
  if (type_ == varString || type_ == varOleStr) {
    double d;
    if (TextToDate(str_->text, d)) return d;
    CastError(type_, varDate);
  }
  if (type_ == varNull || (type_ & varArray)) CastError(type_, varDate);
  return AsDouble();
}

Boolean Variant::AsBoolean() const {
  switch (type_) {
    case varEmpty: return false;
    case varBoolean: return b_;
    case varShortInt: case varByte: case varSmallint: case varWord: case varInteger:
    case varLongWord: case varInt64:
      return OrdinalValue(*this) != 0;
    case varSingle: return f_ != 0;
    case varDouble: case varDate: return d_ != 0;
    case varCurrency: return i64_ != 0;
    case varString: case varOleStr: {
      bool b;
      if (TextToBoolean(str_->text, b)) return b;
      CastError(type_, varBoolean);
    }
    default: CastError(type_, varBoolean);
  }
}

// A date without a time of day shows the date only; one whose date part is zero (a pure
// time) shows the time only.
static String DateText(double d) {
  if (std::trunc(d) == 0) return TimeToStr(d, FormatSettings);
  if (d == std::trunc(d)) return DateToStr(d, FormatSettings);
  return DateTimeToStr(d, FormatSettings);
}

String Variant::AsString() const {
  switch (type_) {
    case varEmpty: return String();
    case varShortInt: case varByte: case varSmallint: case varWord: case varInteger:
    case varLongWord: case varInt64:
      return IntToStr(OrdinalValue(*this));
    case varBoolean: return b_ ? "True" : "False";
    case varSingle: return FloatToStr(double(f_), FormatSettings);
    case varDouble: return FloatToStr(d_, FormatSettings);
    case varCurrency: return CurrToStr(Currency::FromRaw(i64_), FormatSettings);
    case varDate: return DateText(d_);
    case varString: case varOleStr: return str_->text;
    default: CastError(type_, varString);
  }
}

Variant VarAsType(const Variant& v, TVarType t) {
  TVarType from = v.VarType();
  if (t == varVariant || t == from) return v;
  if (t & varArray) CastError(from, t);
  if (from == varNull) {
    if (t == varNull) return v;
    CastError(from, t);
  }
  if (from & varArray) CastError(from, t);
  auto checked = [&](Int64 lo, Int64 hi) {
    Int64 x = t == varInteger ? Int64(v.AsInteger()) : v.AsInt64();
    if (x < lo || x > hi) OverflowError(from, t);
    return x;
  };
  switch (t) {
    case varEmpty: return Variant();
    case varNull: return Null();
    case varShortInt: return Variant(int8_t(checked(INT8_MIN, INT8_MAX)));
    case varByte: return Variant(uint8_t(checked(0, UINT8_MAX)));
    case varSmallint: return Variant(int16_t(checked(INT16_MIN, INT16_MAX)));
    case varWord: return Variant(uint16_t(checked(0, UINT16_MAX)));
    case varInteger: return Variant(v.AsInteger());
    case varLongWord: return Variant(uint32_t(checked(0, UINT32_MAX)));
    case varInt64: return Variant(v.AsInt64());
    case varSingle: {
      double d = v.AsDouble();
      if (std::isfinite(d) && std::fabs(d) > FLT_MAX) OverflowError(from, t);
      return Variant(float(d));
    }
    case varDouble: return Variant(v.AsDouble());
    case varCurrency: return Variant(v.AsCurrency());
    case varDate: return VarFromDateTime(v.AsDateTime());
    case varBoolean: return Variant(v.AsBoolean());
    case varString: return Variant(v.AsString());
    case varOleStr: {
      Variant r(v.AsString());
      VariantAccess::SetType(r, varOleStr);
      return r;
    }
    default: CastError(from, t);
  }
}

String VarToStr(const Variant& v) { return v.IsNull() ? String() : v.AsString(); }

String VarToStrDef(const Variant& v, const String& def) { return v.IsNull() ? def : v.AsString(); }

TDateTime VarToDateTime(const Variant& v) { return v.AsDateTime(); }

// ---------------------------------------------------------------------------------------------
// Special values and type tests

Variant Null() {
  Variant v;
  VariantAccess::SetType(v, varNull);
  return v;
}

Variant Unassigned() { return Variant(); }

Variant VarFromDateTime(TDateTime dt) {
  Variant v(dt);
  VariantAccess::SetType(v, varDate);
  return v;
}

Variant VarFromCurrency(Currency c) { return Variant(c); }

TVarType VarType(const Variant& v) { return v.VarType(); }
bool VarIsType(const Variant& v, TVarType t) { return v.VarType() == t; }
bool VarIsType(const Variant& v, std::initializer_list<TVarType> types) {
  for (TVarType t : types)
    if (v.VarType() == t) return true;
  return false;
}
bool VarIsNull(const Variant& v) { return v.IsNull(); }
bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
bool VarIsClear(const Variant& v) { return v.IsEmpty(); }
bool VarIsArray(const Variant& v) { return v.IsArray(); }
bool VarIsStr(const Variant& v) { return v.IsString(); }
bool VarIsOrdinal(const Variant& v) { return IsIntegerType(v.VarType()) || v.VarType() == varBoolean; }
bool VarIsFloat(const Variant& v) {
  TVarType t = v.VarType();
  return t == varSingle || t == varDouble || t == varCurrency;
}
bool VarIsNumeric(const Variant& v) { return VarIsOrdinal(v) || VarIsFloat(v); }

String VarTypeAsText(TVarType t) {
  if (t & varArray) return "Array of " + VarTypeAsText(TVarType(t & varTypeMask));
  switch (t & varTypeMask) {
    case varEmpty: return "Empty";
    case varNull: return "Null";
    case varSmallint: return "Smallint";
    case varInteger: return "Integer";
    case varSingle: return "Single";
    case varDouble: return "Double";
    case varCurrency: return "Currency";
    case varDate: return "Date";
    case varOleStr: return "OleStr";
    case varBoolean: return "Boolean";
    case varVariant: return "Variant";
    case varShortInt: return "ShortInt";
    case varByte: return "Byte";
    case varWord: return "Word";
    case varLongWord: return "LongWord";
    case varInt64: return "Int64";
    case varString: return "String";
    default: {
      char buf[8];
      std::snprintf(buf, sizeof buf, "$%04X", unsigned(t & varTypeMask));
      return buf;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Arrays

static bool ArrayElementTypeAllowed(TVarType t) {
  return (t >= varSmallint && t <= varOleStr) || t == varBoolean || t == varVariant ||
         (t >= varShortInt && t <= varInt64);
}

Variant VarArrayCreate(const std::vector<Integer>& bounds, TVarType elementType) {
  if (bounds.empty() || bounds.size() % 2 != 0 || !ArrayElementTypeAllowed(elementType))
    ArrayCreateError();
  Int64 count = 1;
  for (size_t i = 0; i < bounds.size(); i += 2) {
    Int64 len = Int64(bounds[i + 1]) - Int64(bounds[i]) + 1;
    if (len < 0) ArrayCreateError();
    count *= len;
    if (count > INT32_MAX) ArrayCreateError();
  }
  Variant r;
  auto* rep = new VarArrayRep;
  rep->elementType = elementType;
  rep->bounds = bounds;
  try {
    rep->items.assign(size_t(count), DefaultOf(elementType));
  } catch (const std::bad_alloc&) {
    delete rep;
    ArrayCreateError();
  }
  VariantAccess::SetArray(r, rep, TVarType(varArray | elementType));
  return r;
}

Variant VarArrayCreate(std::initializer_list<Integer> bounds, TVarType elementType) {
  return VarArrayCreate(std::vector<Integer>(bounds), elementType);
}

Variant VarArrayOf(const std::vector<Variant>& values) {
  Variant r;
  auto* rep = new VarArrayRep;
  rep->elementType = varVariant;
  rep->bounds = {0, Integer(values.size()) - 1};
  rep->items = values;
  VariantAccess::SetArray(r, rep, TVarType(varArray | varVariant));
  return r;
}

Variant VarArrayOf(std::initializer_list<Variant> values) {
  return VarArrayOf(std::vector<Variant>(values));
}

static const VarArrayRep& ArrayOf(const Variant& a) {
  if (!a.IsArray()) InvalidArg();
  return *VariantAccess::Array(a);
}

Integer VarArrayDimCount(const Variant& a) {
  return a.IsArray() ? Integer(VariantAccess::Array(a)->bounds.size() / 2) : 0;
}

Integer VarArrayLowBound(const Variant& a, Integer dim) {
  const VarArrayRep& r = ArrayOf(a);
  if (dim < 1 || size_t(dim) > r.bounds.size() / 2) BadIndex();
  return r.bounds[2 * (dim - 1)];
}

Integer VarArrayHighBound(const Variant& a, Integer dim) {
  const VarArrayRep& r = ArrayOf(a);
  if (dim < 1 || size_t(dim) > r.bounds.size() / 2) BadIndex();
  return r.bounds[2 * (dim - 1) + 1];
}

static size_t FlatIndex(const VarArrayRep& r, const Integer* idx, size_t n) {
  if (n * 2 != r.bounds.size()) BadIndex();
  size_t flat = 0;
  for (size_t d = 0; d < n; ++d) {
    Integer lo = r.bounds[2 * d], hi = r.bounds[2 * d + 1];
    if (idx[d] < lo || idx[d] > hi) BadIndex();
    flat = flat * size_t(Int64(hi) - lo + 1) + size_t(Int64(idx[d]) - lo);
  }
  return flat;
}

// The array of `a` made unique to `a`, ready for a change.
static VarArrayRep& MutableArray(Variant& a) {
  if (!a.IsArray()) InvalidArg();
  VarArrayRep* rep = VariantAccess::Array(a);
  if (rep->refs.load(std::memory_order_acquire) != 1) {
    auto* copy = new VarArrayRep;
    copy->elementType = rep->elementType;
    copy->bounds = rep->bounds;
    copy->items = rep->items;
    TVarType t = a.VarType();
    a.Clear();
    VariantAccess::SetArray(a, copy, t);
    rep = copy;
  }
  return *rep;
}

Variant VarArrayGet(const Variant& a, std::initializer_list<Integer> indexes) {
  const VarArrayRep& r = ArrayOf(a);
  return r.items[FlatIndex(r, indexes.begin(), indexes.size())];
}

void VarArrayPut(Variant& a, const Variant& value, std::initializer_list<Integer> indexes) {
  const VarArrayRep& check = ArrayOf(a);
  size_t flat = FlatIndex(check, indexes.begin(), indexes.size());
  // Convert before detaching, so that a failed conversion leaves the array as it was, and
  // take a copy of the value first: it may be an element of this very array.
  Variant v = check.elementType == varVariant ? value : VarAsType(value, check.elementType);
  MutableArray(a).items[flat] = std::move(v);
}

Variant Variant::GetElement(Integer index) const { return VarArrayGet(*this, {index}); }

void Variant::PutElement(Integer index, const Variant& value) { VarArrayPut(*this, value, {index}); }

void VarArrayRedim(Variant& a, Integer highBound) {
  const VarArrayRep& old = ArrayOf(a);
  size_t dims = old.bounds.size() / 2;
  Integer low = old.bounds[2 * (dims - 1)];
  if (Int64(highBound) < Int64(low) - 1) ArrayCreateError();
  std::vector<Integer> bounds = old.bounds;
  bounds.back() = highBound;
  Variant fresh = VarArrayCreate(bounds, old.elementType);
  VarArrayRep& to = *VariantAccess::Array(fresh);
  // Copy the elements whose indexes exist in both shapes (only the last dimension changes).
  size_t oldLast = size_t(Int64(old.bounds.back()) - low + 1);
  size_t newLast = size_t(Int64(highBound) - low + 1);
  size_t keep = std::min(oldLast, newLast);
  size_t outer = oldLast == 0 ? 0 : old.items.size() / oldLast;
  for (size_t o = 0; o < outer; ++o)
    for (size_t i = 0; i < keep; ++i) to.items[o * newLast + i] = old.items[o * oldLast + i];
  a = std::move(fresh);
}
