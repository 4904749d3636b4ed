// Variant storage, conversions, comparison, arithmetic and arrays.
#include "rtl/Variants.h"

#include <atomic>

namespace rtl_detail {
struct VarStringRep {
  std::atomic<int> refs{1};
  String text;
};
struct VarArrayRep {
  std::atomic<int> refs{1};
  TVarType elementType = varVariant;
  std::vector<Integer> bounds;  // low, high of each dimension
  std::vector<Variant> items;
};
}  // namespace rtl_detail

using rtl_detail::VarArrayRep;
using rtl_detail::VarStringRep;

namespace {
[[noreturn]] void NotYet() { throw EVariantInvalidOpError("Invalid variant operation"); }
}  // namespace

Variant::Variant(const Variant& o) : type_(o.type_), i64_(o.i64_) {
  if (type_ == varString || type_ == varOleStr) str_->refs.fetch_add(1, std::memory_order_relaxed);
  else if (type_ & varArray) arr_->refs.fetch_add(1, std::memory_order_relaxed);
}

Variant& Variant::operator=(const Variant& o) {
  if (this != &o) {
    Variant tmp(o);
    Swap(tmp);
  }
  return *this;
}

Variant& Variant::operator=(Variant&& o) noexcept {
  if (this != &o) {
    Clear();
    Swap(o);
  }
  return *this;
}

void Variant::Release() noexcept {
  if (type_ == varString || type_ == varOleStr) {
    if (str_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete str_;
  } else if (type_ & varArray) {
    if (arr_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete arr_;
  }
}

Variant::Variant(const String& s) : type_(varString), i64_(0) { str_ = new VarStringRep{{1}, s}; }
Variant::Variant(String&& s) : type_(varString), i64_(0) { str_ = new VarStringRep{{1}, std::move(s)}; }
Variant::Variant(const char* s) : Variant(String(s ? s : "")) {}

void Variant::SetUInt64(uint64_t) { NotYet(); }
Integer Variant::AsInteger() const { NotYet(); }
Int64 Variant::AsInt64() const { NotYet(); }
double Variant::AsDouble() const { NotYet(); }
Currency Variant::AsCurrency() const { NotYet(); }
TDateTime Variant::AsDateTime() const { NotYet(); }
Boolean Variant::AsBoolean() const { NotYet(); }
String Variant::AsString() const { NotYet(); }
const String& Variant::StrRef() const { return str_->text; }
Variant Variant::GetElement(Integer) const { NotYet(); }
void Variant::PutElement(Integer, const Variant&) { NotYet(); }

Variant Null() { NotYet(); }
Variant Unassigned() { return Variant(); }
Variant VarFromDateTime(TDateTime) { NotYet(); }
Variant VarFromCurrency(Currency c) { return Variant(c); }
TVarType VarType(const Variant& v) { return v.VarType(); }
bool VarIsType(const Variant&, TVarType) { NotYet(); }
bool VarIsType(const Variant&, std::initializer_list<TVarType>) { NotYet(); }
bool VarIsNull(const Variant& v) { return v.IsNull(); }
bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
bool VarIsClear(const Variant& v) { return v.IsEmpty(); }
bool VarIsArray(const Variant& v) { return v.IsArray(); }
bool VarIsStr(const Variant& v) { return v.IsString(); }
bool VarIsNumeric(const Variant&) { NotYet(); }
bool VarIsOrdinal(const Variant&) { NotYet(); }
bool VarIsFloat(const Variant&) { NotYet(); }
String VarTypeAsText(TVarType) { NotYet(); }
String VarToStr(const Variant&) { NotYet(); }
String VarToStrDef(const Variant&, const String&) { NotYet(); }
TDateTime VarToDateTime(const Variant&) { NotYet(); }
Variant VarAsType(const Variant&, TVarType) { NotYet(); }
Variant VarArrayCreate(std::initializer_list<Integer>, TVarType) { NotYet(); }
Variant VarArrayCreate(const std::vector<Integer>&, TVarType) { NotYet(); }
Variant VarArrayOf(std::initializer_list<Variant>) { NotYet(); }
Variant VarArrayOf(const std::vector<Variant>&) { NotYet(); }
Integer VarArrayDimCount(const Variant&) { NotYet(); }
Integer VarArrayLowBound(const Variant&, Integer) { NotYet(); }
Integer VarArrayHighBound(const Variant&, Integer) { NotYet(); }
Variant VarArrayGet(const Variant&, std::initializer_list<Integer>) { NotYet(); }
void VarArrayPut(Variant&, const Variant&, std::initializer_list<Integer>) { NotYet(); }
void VarArrayRedim(Variant&, Integer) { NotYet(); }
TVariantRelationship VarCompareValue(const Variant&, const Variant&) { NotYet(); }
bool VarSameValue(const Variant&, const Variant&) { NotYet(); }
bool operator==(const Variant&, const Variant&) { NotYet(); }
bool operator!=(const Variant&, const Variant&) { NotYet(); }
bool operator<(const Variant&, const Variant&) { NotYet(); }
bool operator>(const Variant&, const Variant&) { NotYet(); }
bool operator<=(const Variant&, const Variant&) { NotYet(); }
bool operator>=(const Variant&, const Variant&) { NotYet(); }
Variant operator+(const Variant&, const Variant&) { NotYet(); }
Variant operator-(const Variant&, const Variant&) { NotYet(); }
Variant operator*(const Variant&, const Variant&) { NotYet(); }
Variant operator/(const Variant&, const Variant&) { NotYet(); }
Variant operator-(const Variant&) { NotYet(); }
Variant VarIntDiv(const Variant&, const Variant&) { NotYet(); }
Variant VarMod(const Variant&, const Variant&) { NotYet(); }
Variant VarAnd(const Variant&, const Variant&) { NotYet(); }
Variant VarOr(const Variant&, const Variant&) { NotYet(); }
Variant VarXor(const Variant&, const Variant&) { NotYet(); }
Variant VarNot(const Variant&) { NotYet(); }
Variant& operator+=(Variant& a, const Variant& b) { return a = a + b; }
Variant& operator-=(Variant& a, const Variant& b) { return a = a - b; }
Variant& operator*=(Variant& a, const Variant& b) { return a = a * b; }
Variant& operator/=(Variant& a, const Variant& b) { return a = a / b; }
