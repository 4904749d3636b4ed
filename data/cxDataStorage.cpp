#include "data/cxDataStorage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <unordered_set>

#include "rtl/DateUtils.h"
#include "rtl/SysUtils.h"

// ---------------------------------------------------------------------------------------------
// BCD numbers and time stamps

namespace {

int BcdDigit(const TBcd& b, int i) {
  Byte v = b.Fraction[i / 2];
  return (i % 2 == 0) ? (v >> 4) : (v & 0x0F);
}

// Digits of a BCD as (negative, integer digits without leading zeros, fraction digits without
// trailing zeros).
void BcdParts(const TBcd& b, bool& neg, String& whole, String& frac) {
  int scale = b.SignSpecialPlaces & 0x3F;
  int prec = std::min<int>(b.Precision, 64);
  if (scale > prec) scale = prec;
  whole.clear();
  frac.clear();
  for (int i = 0; i < prec - scale; ++i) whole += char('0' + BcdDigit(b, i));
  for (int i = prec - scale; i < prec; ++i) frac += char('0' + BcdDigit(b, i));
  std::size_t nz = whole.find_first_not_of('0');
  whole = nz == String::npos ? String() : whole.substr(nz);
  while (!frac.empty() && frac.back() == '0') frac.pop_back();
  neg = (b.SignSpecialPlaces & 0x80) != 0 && !(whole.empty() && frac.empty());
}

}  // namespace

TBcd StrToBcd(const String& text) {
  String t = Trim(text);
  TBcd r;
  bool neg = false;
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) neg = t[i++] == '-';
  String digits;
  int scale = 0;
  bool point = false, any = false;
  for (; i < t.size(); ++i) {
    char c = t[i];
    if (c >= '0' && c <= '9') {
      digits += c;
      any = true;
      if (point) ++scale;
    } else if ((c == '.' || c == FormatSettings.DecimalSeparator) && !point) {
      point = true;
    } else {
      throw EConvertError("'" + text + "' is not a valid BCD value");
    }
  }
  if (!any) throw EConvertError("'" + text + "' is not a valid BCD value");
  // Leading zeros of the whole part carry nothing.
  while (digits.size() > std::size_t(scale) + 1 && digits[0] == '0') digits.erase(0, 1);
  if (digits.size() > 64 || scale > 63) throw EConvertError("'" + text + "' is not a valid BCD value");
  r.Precision = Byte(digits.size());
  r.SignSpecialPlaces = Byte(scale | (neg ? 0x80 : 0));
  for (std::size_t k = 0; k < digits.size(); ++k) {
    Byte d = Byte(digits[k] - '0');
    r.Fraction[k / 2] |= (k % 2 == 0) ? Byte(d << 4) : d;
  }
  return r;
}

String BcdToStr(const TBcd& bcd) {
  bool neg;
  String whole, frac;
  BcdParts(bcd, neg, whole, frac);
  String r = whole.empty() ? String("0") : whole;
  if (!frac.empty()) r += "." + frac;
  return neg ? "-" + r : r;
}

TBcd DoubleToBcd(double v) {
  if (!std::isfinite(v)) throw EConvertError("Invalid BCD value");
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  String s = buf;
  if (s.find('e') != String::npos) {
    std::snprintf(buf, sizeof buf, "%.20f", v);
    s = buf;
  }
  // snprintf uses '.', which StrToBcd accepts.
  return StrToBcd(s);
}

double BcdToDouble(const TBcd& bcd) { return std::strtod(BcdToStr(bcd).c_str(), nullptr); }

int BcdCompare(const TBcd& a, const TBcd& b) {
  bool na, nb;
  String wa, fa, wb, fb;
  BcdParts(a, na, wa, fa);
  BcdParts(b, nb, wb, fb);
  if (na != nb) return na ? -1 : 1;
  int mag;
  if (wa.size() != wb.size()) {
    mag = wa.size() < wb.size() ? -1 : 1;
  } else {
    int c = wa.compare(wb);
    if (c == 0) c = fa.compare(fb);  // trailing zeros are gone, so text order is digit order
    mag = c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  return na ? -mag : mag;
}

TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime dt) {
  Word y, mo, d, h, mi, s, ms;
  DecodeDateTime(dt, y, mo, d, h, mi, s, ms);
  TSQLTimeStamp r;
  r.Year = SmallInt(y);
  r.Month = mo;
  r.Day = d;
  r.Hour = h;
  r.Minute = mi;
  r.Second = s;
  r.Fractions = ms;
  return r;
}

TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& ts) {
  if (ts.Year == 0 && ts.Month == 0 && ts.Day == 0) return 0;
  return EncodeDateTime(Word(ts.Year), ts.Month, ts.Day, ts.Hour, ts.Minute, ts.Second, Word(ts.Fractions));
}

// ---------------------------------------------------------------------------------------------
// Value types: base behaviour

namespace {
template <class T>
T Load(const void* p) {
  T v;
  std::memcpy(&v, p, sizeof(T));
  return v;
}
template <class T>
void Store(void* p, T v) {
  std::memcpy(p, &v, sizeof(T));
}
template <class T>
int OrderOf(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}
}  // namespace

int TcxValueType::CompareBuffers(const void* p1, const void* p2) const { return ComparePrepared(p1, p2); }

void TcxValueType::FreeTextBuffer(void* textSlot) const {
  auto* holder = Load<String*>(textSlot);
  if (holder != nullptr) {
    Store<String*>(textSlot, nullptr);
    delete holder;
  }
}

void TcxValueType::GetDisplayText(const void* p, String& s) const {
  Variant v;
  DataToVariant(p, v);
  try {
    s = VarToStr(v);
  } catch (const EVariantError&) {
    s.clear();
  }
}

void TcxValueType::GetDisplayTextFromBuffer(const void* textSlot, String& s) const {
  auto* holder = Load<String*>(textSlot);
  s = holder ? *holder : String();
}

void TcxValueType::ReadPayload(void* p, TStream& stream) const {
  Variant v;
  ReadVariantFromStream(stream, v);
  VariantToData(p, v);
}

void TcxValueType::ReadDisplayText(void* textSlot, TStream& stream) const {
  SetDisplayText(textSlot, StreamReadAnsiText(stream));
}

void TcxValueType::SetDisplayText(void* textSlot, const String& s) const {
  auto* holder = Load<String*>(textSlot);
  if (holder == nullptr) {
    holder = new String;
    Store<String*>(textSlot, holder);
  }
  *holder = s;
}

void TcxValueType::WritePayload(const void* p, TStream& stream) const {
  Variant v;
  DataToVariant(p, v);
  WriteVariantToStream(stream, v);
}

void TcxValueType::WriteDisplayText(const void* textSlot, TStream& stream) const {
  String s;
  GetDisplayTextFromBuffer(textSlot, s);
  StreamWriteAnsiText(stream, s);
}

String TcxValueType::Caption() const {
  String name = ClassName();
  if (name.compare(0, 3, "Tcx") == 0) name.erase(0, 3);
  auto pos = name.find("ValueType");
  if (pos != String::npos) name.erase(pos, 9);
  return name;
}

int TcxValueType::ComparePrepared(const void* a, const void* b) const {
  Variant va, vb;
  DataToVariant(a, va);
  DataToVariant(b, vb);
  return CompareVariantValues(va, vb);
}

bool TcxValueType::IsValueValid(Variant& v) const {
  if (v.IsNull()) return true;
  TVarType code = VariantTypeCode();
  if (code == varVariant) return true;
  try {
    v = VarAsType(v, code);
    return true;
  } catch (const EVariantError&) {
    return false;
  } catch (const EConvertError&) {
    return false;
  }
}

#define CX_IMPLEMENT_VALUE_TYPE(TThis)   \
  TcxValueTypeClass TThis::Class() {     \
    static const TThis instance;         \
    return &instance;                    \
  }

CX_IMPLEMENT_VALUE_TYPE(TcxStringValueType)
CX_IMPLEMENT_VALUE_TYPE(TcxWideStringValueType)
CX_IMPLEMENT_VALUE_TYPE(TcxSmallintValueType)
CX_IMPLEMENT_VALUE_TYPE(TcxIntegerValueType)
CX_IMPLEMENT_VALUE_TYPE(TcxWordValueType)
CX_IMPLEMENT_VALUE_TYPE(TcxBooleanValueType)
CX_IMPLEMENT_VALUE_TYPE(TcxFloatValueType)
CX_IMPLEMENT_VALUE_TYPE(TcxCurrencyValueType)
CX_IMPLEMENT_VALUE_TYPE(TcxDateTimeValueType)
CX_IMPLEMENT_VALUE_TYPE(TcxLargeIntValueType)
CX_IMPLEMENT_VALUE_TYPE(TcxFMTBcdValueType)
CX_IMPLEMENT_VALUE_TYPE(TcxSQLTimeStampValueType)
CX_IMPLEMENT_VALUE_TYPE(TcxVariantValueType)
CX_IMPLEMENT_VALUE_TYPE(TcxObjectValueType)

// ---------------------------------------------------------------------------------------------
// String and WideString: the data area holds a String* (nullptr: no holder).

int TcxStringValueType::CompareBuffers(const void* p1, const void* p2) const {
  return ComparePrepared(Load<String*>(p1), Load<String*>(p2));
}

void TcxStringValueType::ReleaseData(void* p) const {
  auto* holder = Load<String*>(p);
  Store<String*>(p, nullptr);
  delete holder;
}

void TcxStringValueType::DataToVariant(const void* p, Variant& v) const { PreparedToVariant(Load<String*>(p), v); }

void TcxStringValueType::PreparedToVariant(const void* a, Variant& v) const {
  auto* holder = static_cast<const String*>(a);
  if (holder) v = Variant(*holder);
  else v = Null();
}

void TcxStringValueType::VariantToData(void* p, const Variant& v) const {
  String text = VarToStr(v);
  auto* holder = Load<String*>(p);
  if (holder == nullptr) {
    holder = new String(std::move(text));
    Store<String*>(p, holder);
  } else {
    *holder = std::move(text);
  }
}

void TcxStringValueType::ReadPayload(void* p, TStream& stream) const { VariantToData(p, Variant(StreamReadAnsiText(stream))); }

void TcxStringValueType::WritePayload(const void* p, TStream& stream) const {
  auto* holder = Load<String*>(p);
  StreamWriteAnsiText(stream, holder ? *holder : String());
}

int TcxStringValueType::ComparePrepared(const void* a, const void* b) const {
  auto* x = static_cast<const String*>(a);
  auto* y = static_cast<const String*>(b);
  if (x == y) return 0;  // one holder, or one pooled text
  if (x == nullptr || y == nullptr) return x == nullptr ? -1 : 1;
  int c = x->compare(*y);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

void TcxStringValueType::PrepareDataPointer(const void*& p) const { p = Load<String*>(p); }

void TcxWideStringValueType::DataToVariant(const void* p, Variant& v) const { PreparedToVariant(Load<String*>(p), v); }

void TcxWideStringValueType::PreparedToVariant(const void* a, Variant& v) const {
  auto* holder = static_cast<const String*>(a);
  if (holder) v = VarAsType(Variant(*holder), varOleStr);
  else v = Null();
}

namespace {
// The first UTF-16 code unit of a code point.
uint32_t FirstUnit(char32_t c) { return c < 0x10000 ? uint32_t(c) : 0xD800 + ((uint32_t(c) - 0x10000) >> 10); }
}  // namespace

int TcxWideStringValueType::ComparePrepared(const void* a, const void* b) const {
  auto* x = static_cast<const String*>(a);
  auto* y = static_cast<const String*>(b);
  if (x == y) return 0;
  if (x == nullptr || y == nullptr) return x == nullptr ? -1 : 1;
  // UTF-8 byte order is code-point order; it differs from UTF-16 order only where a character
  // beyond U+FFFF meets one in U+E000..U+FFFF. Decide at the first differing character.
  std::size_t n = std::min(x->size(), y->size()), i = 0;
  while (i < n && (*x)[i] == (*y)[i]) ++i;
  if (i == x->size() || i == y->size()) return x->size() == y->size() ? 0 : (i == x->size() ? -1 : 1);
  while (i > 0 && (static_cast<unsigned char>((*x)[i]) & 0xC0) == 0x80) --i;
  std::size_t ix = i, iy = i;
  char32_t cx = DecodeUtf8(*x, ix), cy = DecodeUtf8(*y, iy);
  uint32_t ux = FirstUnit(cx), uy = FirstUnit(cy);
  if (ux != uy) return ux < uy ? -1 : 1;
  return cx < cy ? -1 : (cx > cy ? 1 : 0);
}

void TcxWideStringValueType::ReadPayload(void* p, TStream& stream) const {
  VariantToData(p, Variant(StreamReadWideText(stream)));
}

void TcxWideStringValueType::WritePayload(const void* p, TStream& stream) const {
  auto* holder = Load<String*>(p);
  StreamWriteWideText(stream, holder ? *holder : String());
}

// ---------------------------------------------------------------------------------------------
// Fixed-size types

void TcxSmallintValueType::DataToVariant(const void* p, Variant& v) const { v = Load<SmallInt>(p); }
void TcxSmallintValueType::VariantToData(void* p, const Variant& v) const { Store<SmallInt>(p, SmallInt(v.AsInteger())); }
void TcxSmallintValueType::ReadPayload(void* p, TStream& s) const { VariantToData(p, StreamReadInt16(s)); }
void TcxSmallintValueType::WritePayload(const void* p, TStream& s) const { StreamWriteInt16(s, Load<SmallInt>(p)); }
int TcxSmallintValueType::ComparePrepared(const void* a, const void* b) const {
  return int(Load<SmallInt>(a)) - int(Load<SmallInt>(b));
}

void TcxIntegerValueType::DataToVariant(const void* p, Variant& v) const { v = Load<Integer>(p); }
void TcxIntegerValueType::VariantToData(void* p, const Variant& v) const { Store<Integer>(p, v.AsInteger()); }
void TcxIntegerValueType::ReadPayload(void* p, TStream& s) const { VariantToData(p, StreamReadInt32(s)); }
void TcxIntegerValueType::WritePayload(const void* p, TStream& s) const { StreamWriteInt32(s, Load<Integer>(p)); }
int TcxIntegerValueType::ComparePrepared(const void* a, const void* b) const {
  return OrderOf(Load<Integer>(a), Load<Integer>(b));
}

void TcxWordValueType::DataToVariant(const void* p, Variant& v) const { v = Load<Word>(p); }
void TcxWordValueType::VariantToData(void* p, const Variant& v) const { Store<Word>(p, Word(v.AsInteger())); }
void TcxWordValueType::ReadPayload(void* p, TStream& s) const { VariantToData(p, StreamReadWord(s)); }
void TcxWordValueType::WritePayload(const void* p, TStream& s) const { StreamWriteWord(s, Load<Word>(p)); }
int TcxWordValueType::ComparePrepared(const void* a, const void* b) const {
  return int(Load<Word>(a)) - int(Load<Word>(b));
}

void TcxBooleanValueType::DataToVariant(const void* p, Variant& v) const { v = Load<Byte>(p) != 0; }
void TcxBooleanValueType::VariantToData(void* p, const Variant& v) const { Store<Byte>(p, v.AsBoolean() ? 1 : 0); }
void TcxBooleanValueType::GetDisplayText(const void* p, String& s) const { s = Load<Byte>(p) ? "True" : "False"; }
void TcxBooleanValueType::ReadPayload(void* p, TStream& s) const { VariantToData(p, StreamReadByte(s) != 0); }
void TcxBooleanValueType::WritePayload(const void* p, TStream& s) const { StreamWriteByte(s, Load<Byte>(p) ? 1 : 0); }
int TcxBooleanValueType::ComparePrepared(const void* a, const void* b) const {
  return int(Load<Byte>(a)) - int(Load<Byte>(b));
}

namespace {
int CompareDoubles(double x, double y) { return x == y ? 0 : (x > y ? 1 : -1); }
}  // namespace

void TcxFloatValueType::DataToVariant(const void* p, Variant& v) const { v = Load<double>(p); }
void TcxFloatValueType::VariantToData(void* p, const Variant& v) const { Store<double>(p, v.AsDouble()); }
void TcxFloatValueType::ReadPayload(void* p, TStream& s) const { Store<double>(p, StreamReadExtended(s)); }
void TcxFloatValueType::WritePayload(const void* p, TStream& s) const { StreamWriteExtended(s, Load<double>(p)); }
int TcxFloatValueType::ComparePrepared(const void* a, const void* b) const {
  return CompareDoubles(Load<double>(a), Load<double>(b));
}

void TcxCurrencyValueType::DataToVariant(const void* p, Variant& v) const { v = Currency::FromRaw(Load<Int64>(p)); }
void TcxCurrencyValueType::VariantToData(void* p, const Variant& v) const { Store<Int64>(p, v.AsCurrency().Raw()); }
void TcxCurrencyValueType::ReadPayload(void* p, TStream& s) const { VariantToData(p, StreamReadCurrency(s)); }
void TcxCurrencyValueType::WritePayload(const void* p, TStream& s) const {
  StreamWriteCurrency(s, Currency::FromRaw(Load<Int64>(p)));
}
int TcxCurrencyValueType::ComparePrepared(const void* a, const void* b) const {
  return OrderOf(Load<Int64>(a), Load<Int64>(b));
}

void TcxDateTimeValueType::DataToVariant(const void* p, Variant& v) const { v = VarFromDateTime(Load<double>(p)); }
void TcxDateTimeValueType::VariantToData(void* p, const Variant& v) const { Store<double>(p, VarToDateTime(v)); }
void TcxDateTimeValueType::GetDisplayText(const void* p, String& s) const {
  try {
    s = VarToStr(VarFromDateTime(Load<double>(p)));
  } catch (const EVariantError&) {
    s = DateTimeToStr(Load<double>(p));
  }
}
void TcxDateTimeValueType::ReadPayload(void* p, TStream& s) const {
  VariantToData(p, VarFromDateTime(StreamReadDateTime(s)));
}
void TcxDateTimeValueType::WritePayload(const void* p, TStream& s) const { StreamWriteDateTime(s, Load<double>(p)); }
int TcxDateTimeValueType::ComparePrepared(const void* a, const void* b) const {
  return CompareDoubles(Load<double>(a), Load<double>(b));
}

void TcxLargeIntValueType::DataToVariant(const void* p, Variant& v) const { v = Load<Int64>(p); }
void TcxLargeIntValueType::VariantToData(void* p, const Variant& v) const { Store<Int64>(p, v.AsInt64()); }
void TcxLargeIntValueType::ReadPayload(void* p, TStream& s) const { VariantToData(p, StreamReadInt64(s)); }
void TcxLargeIntValueType::WritePayload(const void* p, TStream& s) const { StreamWriteInt64(s, Load<Int64>(p)); }
int TcxLargeIntValueType::ComparePrepared(const void* a, const void* b) const {
  return OrderOf(Load<Int64>(a), Load<Int64>(b));
}

void TcxFMTBcdValueType::DataToVariant(const void* p, Variant& v) const { v = BcdToDouble(Load<TBcd>(p)); }
void TcxFMTBcdValueType::GetDisplayText(const void* p, String& s) const {
  s = BcdToStr(Load<TBcd>(p));
  auto dot = s.find('.');
  if (dot != String::npos) s[dot] = FormatSettings.DecimalSeparator;
}
void TcxFMTBcdValueType::WritePayload(const void* p, TStream& stream) const {
  WriteVariantToStream(stream, Variant(BcdToStr(Load<TBcd>(p))));
}
void TcxFMTBcdValueType::VariantToData(void* p, const Variant& v) const {
  TBcd b;
  switch (v.VarType()) {
    case varString: case varOleStr: b = StrToBcd(v.StrRef()); break;
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
    case varInt64:
      b = StrToBcd(IntToStr(v.AsInt64()));
      break;
    case varCurrency: {
      Int64 raw = v.AsCurrency().Raw();
      b = StrToBcd(IntToStr(raw / 10000) + "." + IntToStr(10000 + std::llabs(raw % 10000)).substr(1));
      if (raw < 0 && raw > -10000) b.SignSpecialPlaces |= 0x80;
      break;
    }
    default: b = DoubleToBcd(v.AsDouble()); break;
  }
  Store<TBcd>(p, b);
}
int TcxFMTBcdValueType::ComparePrepared(const void* a, const void* b) const {
  return BcdCompare(Load<TBcd>(a), Load<TBcd>(b));
}

void TcxSQLTimeStampValueType::DataToVariant(const void* p, Variant& v) const {
  v = VarFromDateTime(SQLTimeStampToDateTime(Load<TSQLTimeStamp>(p)));
}
void TcxSQLTimeStampValueType::VariantToData(void* p, const Variant& v) const {
  Store<TSQLTimeStamp>(p, DateTimeToSQLTimeStamp(VarToDateTime(v)));
}
int TcxSQLTimeStampValueType::ComparePrepared(const void* a, const void* b) const {
  auto x = Load<TSQLTimeStamp>(a), y = Load<TSQLTimeStamp>(b);
  if (x.Year != y.Year) return int(x.Year) - int(y.Year);
  if (x.Month != y.Month) return int(x.Month) - int(y.Month);
  if (x.Day != y.Day) return int(x.Day) - int(y.Day);
  if (x.Hour != y.Hour) return int(x.Hour) - int(y.Hour);
  if (x.Minute != y.Minute) return int(x.Minute) - int(y.Minute);
  if (x.Second != y.Second) return int(x.Second) - int(y.Second);
  return OrderOf(x.Fractions, y.Fractions);
}

// ---------------------------------------------------------------------------------------------
// Variant and Object

int TcxVariantValueType::CompareBuffers(const void* p1, const void* p2) const {
  return ComparePrepared(Load<Variant*>(p1), Load<Variant*>(p2));
}
void TcxVariantValueType::ReleaseData(void* p) const {
  auto* holder = Load<Variant*>(p);
  Store<Variant*>(p, nullptr);
  delete holder;
}
void TcxVariantValueType::DataToVariant(const void* p, Variant& v) const { PreparedToVariant(Load<Variant*>(p), v); }
void TcxVariantValueType::PreparedToVariant(const void* a, Variant& v) const {
  auto* holder = static_cast<const Variant*>(a);
  if (holder) v = *holder;
  else v = Null();
}
void TcxVariantValueType::VariantToData(void* p, const Variant& v) const {
  auto* holder = Load<Variant*>(p);
  if (holder == nullptr) Store<Variant*>(p, new Variant(v));
  else *holder = v;
}
int TcxVariantValueType::ComparePrepared(const void* a, const void* b) const {
  auto* x = static_cast<const Variant*>(a);
  auto* y = static_cast<const Variant*>(b);
  if (x == nullptr || y == nullptr) return x == y ? 0 : (x == nullptr ? -1 : 1);
  return CompareVariantValues(*x, *y);
}
void TcxVariantValueType::PrepareDataPointer(const void*& p) const { p = Load<Variant*>(p); }

void TcxObjectValueType::ReleaseData(void* p) const {
  auto* obj = Load<TObject*>(p);
  Store<TObject*>(p, nullptr);
  delete obj;
}
void TcxObjectValueType::DataToVariant(const void* p, Variant& v) const {
  v = Int64(reinterpret_cast<intptr_t>(Load<TObject*>(p)));
}
void TcxObjectValueType::VariantToData(void* p, const Variant& v) const {
  Store<TObject*>(p, reinterpret_cast<TObject*>(intptr_t(v.AsInt64())));
}
int TcxObjectValueType::ComparePrepared(const void* a, const void* b) const {
  return OrderOf(reinterpret_cast<uintptr_t>(Load<TObject*>(a)), reinterpret_cast<uintptr_t>(Load<TObject*>(b)));
}

// ---------------------------------------------------------------------------------------------
// Registry

void TcxValueTypeClassList::Register(TcxValueTypeClass c) {
  if (c && std::find(items_.begin(), items_.end(), c) == items_.end()) items_.push_back(c);
}

void TcxValueTypeClassList::Unregister(TcxValueTypeClass c) {
  items_.erase(std::remove(items_.begin(), items_.end(), c), items_.end());
}

TcxValueTypeClass TcxValueTypeClassList::ItemByCaption(const String& caption) const {
  for (auto c : items_)
    if (c->Caption() == caption) return c;
  return nullptr;
}

namespace {
TcxValueTypeClassList* valueTypeList = nullptr;

const std::vector<TcxValueTypeClass>& StandardValueTypes() {
  static const std::vector<TcxValueTypeClass> types = {
      TcxStringValueType::Class(),   TcxWideStringValueType::Class(), TcxSmallintValueType::Class(),
      TcxIntegerValueType::Class(),  TcxWordValueType::Class(),       TcxBooleanValueType::Class(),
      TcxFloatValueType::Class(),    TcxCurrencyValueType::Class(),   TcxDateTimeValueType::Class(),
      TcxLargeIntValueType::Class(), TcxFMTBcdValueType::Class(),     TcxSQLTimeStampValueType::Class(),
      TcxVariantValueType::Class(),  TcxObjectValueType::Class()};
  return types;
}
}  // namespace

void InitializeCxDataStorage() {
  InitUnit(
      "cxDataStorage",
      [] {
        valueTypeList = new TcxValueTypeClassList;
        for (auto c : StandardValueTypes()) valueTypeList->Register(c);
      },
      [] {
        const auto& types = StandardValueTypes();
        for (auto it = types.rbegin(); it != types.rend(); ++it) valueTypeList->Unregister(*it);
        delete valueTypeList;
        valueTypeList = nullptr;
      });
}

TcxValueTypeClassList& GetValueTypeClassList() {
  if (valueTypeList == nullptr) {
    InitializeCxDataStorage();
    // After the unit ended, a late caller still gets a usable list.
    if (valueTypeList == nullptr) {
      valueTypeList = new TcxValueTypeClassList;
      for (auto c : StandardValueTypes()) valueTypeList->Register(c);
    }
  }
  return *valueTypeList;
}

// ---------------------------------------------------------------------------------------------
// The text pool of a string column

static_assert(std::is_standard_layout_v<TcxPooledText>, "a pooled entry must share its address with its text");

class TcxTextPool {
 public:
  TcxTextPool() = default;
  TcxTextPool(const TcxTextPool&) = delete;
  TcxTextPool& operator=(const TcxTextPool&) = delete;
  ~TcxTextPool() {
    for (TcxPooledText* e : entries_) delete e;
  }

  TcxPooledText* Acquire(std::string_view text) {
    auto it = entries_.find(text);
    TcxPooledText* e;
    if (it != entries_.end()) {
      e = *it;
    } else {
      e = new TcxPooledText{String(text)};
      entries_.insert(e);
      ranked_ = false;
    }
    ++e->Refs;
    return e;
  }

  void Release(TcxPooledText* e) {
    if (--e->Refs != 0) return;
    // Removing a text keeps the order of the others: the ranks stay valid.
    entries_.erase(e);
    delete e;
  }

  int Count() const { return int(entries_.size()); }

  void Rank(TcxValueTypeClass type) {
    if (ranked_) return;
    std::vector<TcxPooledText*> order(entries_.begin(), entries_.end());
    std::sort(order.begin(), order.end(), [type](const TcxPooledText* a, const TcxPooledText* b) {
      return type->ComparePrepared(&a->Text, &b->Text) < 0;
    });
    for (std::size_t i = 0; i < order.size(); ++i) order[i]->Rank = uint32_t(i + 1);
    ranked_ = true;
  }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    std::size_t operator()(const TcxPooledText* e) const { return (*this)(std::string_view(e->Text)); }
  };
  struct Equal {
    using is_transparent = void;
    static std::string_view View(std::string_view s) { return s; }
    static std::string_view View(const TcxPooledText* e) { return e->Text; }
    template <class A, class B>
    bool operator()(const A& a, const B& b) const {
      return View(a) == View(b);
    }
  };
  std::unordered_set<TcxPooledText*, Hash, Equal> entries_;
  bool ranked_ = false;
};

// ---------------------------------------------------------------------------------------------
// TcxValueDef

TcxValueDef::TcxValueDef(TcxValueDefs* owner, TcxValueTypeClass valueType) : owner_(owner), valueType_(valueType) {
  dataSize_ = valueType_->DataSize();
  // Only the two standard text types: their holders are plain texts converted by VarToStr.
  if (valueType_ == TcxStringValueType::Class() || valueType_ == TcxWideStringValueType::Class())
    pool_ = std::make_unique<TcxTextPool>();
}

TcxValueDef::~TcxValueDef() {
  if (owner_ != nullptr) owner_->storage_->RemoveValueDefFromRecords(this);
}

int TcxValueDef::PooledTextCount() const { return pool_ ? pool_->Count() : 0; }

void TcxValueDef::RankPooledTexts() const {
  if (pool_) pool_->Rank(valueType_);
}

void TcxValueDef::ReleaseArea(Byte* area) const {
  if (pool_ == nullptr) {
    valueType_->ReleaseData(area);
    return;
  }
  auto* e = Load<TcxPooledText*>(area);
  Store<TcxPooledText*>(area, nullptr);
  if (e != nullptr) pool_->Release(e);
}

void TcxValueDef::NoteChange() const {
  if (owner_ != nullptr) owner_->storage_->NoteChange();
}

void TcxValueDef::SetRecordPooledText(Byte* b, std::string_view text) const {
  if (bufferSize_ == 0) return;
  Byte* area = DataArea(b);
  TcxPooledText* e = pool_->Acquire(text);
  if (b[offset_] != 0) ReleaseArea(area);
  Store<TcxPooledText*>(area, e);
  b[offset_] = 1;
  NoteChange();
}

bool TcxValueDef::IsInRecord() const {
  return inRecord_ || owner_ == nullptr || !owner_->storage_->InRecordValuesOnly();
}

void TcxValueDef::AssignSettings(const TcxValueDef* other) {
  SetInRecord(other->IsInRecord());
  SetHoldsText(other->HoldsText());
}

void TcxValueDef::SetInRecord(bool value) {
  if (inRecord_ == value) return;
  inRecord_ = value;
  if (owner_) owner_->NotifyDefChange(this, false);
}

void TcxValueDef::SetHoldsText(bool value) {
  if (holdsText_ == value) return;
  holdsText_ = value;
  if (owner_) owner_->NotifyDefChange(this, true);
}

void TcxValueDef::RecordValue(const Byte* b, Variant& v) const {
  if (b == nullptr || bufferSize_ == 0 || b[offset_] == 0) {
    v = Null();
    return;
  }
  valueType_->DataToVariant(DataArea(b), v);
}

void TcxValueDef::SetRecordValue(Byte* b, const Variant& v) const {
  if (bufferSize_ == 0) return;
  NoteChange();
  if (v.IsNull()) {
    MarkNull(b, true);
  } else if (pool_ != nullptr) {
    // The text first: a value that fails to convert leaves the old value in place.
    SetRecordPooledText(b, VarToStr(v));
  } else {
    // Convert first, so that a value that fails to convert leaves the old value in place.
    Byte* area = DataArea(b);
    bool wasNull = b[offset_] == 0;
    try {
      valueType_->VariantToData(area, v);
    } catch (...) {
      if (wasNull) {
        valueType_->ReleaseData(area);
        std::memset(area, 0, std::size_t(dataSize_));
      }
      throw;
    }
    MarkNull(b, false);
  }
}

void TcxValueDef::MarkNull(Byte* b, bool isNull) const {
  if (bufferSize_ == 0) return;
  if (isNull) {
    if (b[offset_] != 0) {
      ReleaseArea(DataArea(b));
      std::memset(DataArea(b), 0, std::size_t(dataSize_));
      NoteChange();
    }
    b[offset_] = 0;
  } else {
    b[offset_] = 1;
  }
}

void TcxValueDef::RecordText(const Byte* b, String& s) const {
  if (b == nullptr || bufferSize_ == 0) {
    s.clear();
  } else if (laidText_) {
    valueType_->GetDisplayTextFromBuffer(TextSlot(b), s);
  } else if (b[offset_] == 0) {
    s.clear();
  } else {
    valueType_->GetDisplayText(DataArea(b), s);
  }
}

void TcxValueDef::SetRecordText(Byte* b, const String& s) const {
  if (laidText_) valueType_->SetDisplayText(TextSlot(b), s);
}

int TcxValueDef::CompareRecordValues(const Byte* b1, const Byte* b2) const {
  bool n1 = IsNullIn(b1) || bufferSize_ == 0, n2 = IsNullIn(b2) || bufferSize_ == 0;
  if (n1 || n2) return n1 == n2 ? 0 : (n1 ? -1 : 1);
  return valueType_->CompareBuffers(DataArea(b1), DataArea(b2));
}

int TcxValueDef::CompareWithNullFlags(bool null1, bool null2, const void* p1, const void* p2) const {
  if (null1 || null2) return null1 == null2 ? 0 : (null1 ? -1 : 1);
  return valueType_->ComparePrepared(p1, p2);
}

void TcxValueDef::ReleaseRecordValue(Byte* b) const {
  if (b == nullptr || bufferSize_ == 0) return;
  if (b[offset_] != 0) ReleaseArea(DataArea(b));
  if (laidText_) valueType_->FreeTextBuffer(TextSlot(b));
}

void TcxValueDef::WriteRecordValue(const Byte* b, TStream& s) const {
  if (IsNullIn(b) || bufferSize_ == 0) {
    StreamWriteByte(s, 1);
  } else {
    StreamWriteByte(s, 0);
    valueType_->WritePayload(DataArea(b), s);
  }
}

void TcxValueDef::ReadRecordValue(Byte* b, TStream& s) const {
  Byte isNull = StreamReadByte(s);
  if (bufferSize_ == 0) {
    // A column outside the record cannot keep the value; read it past.
    if (isNull == 0) {
      Byte scratch[64] = {};
      valueType_->ReadPayload(scratch, s);
      valueType_->ReleaseData(scratch);
    }
    return;
  }
  NoteChange();
  if (isNull != 0) {
    MarkNull(b, true);
  } else if (pool_ != nullptr) {
    // Read into a holder of its own, then share the pooled text.
    Byte scratch[sizeof(void*)] = {};
    valueType_->ReadPayload(scratch, s);
    auto* holder = Load<String*>(scratch);
    std::unique_ptr<String> owned(holder);
    SetRecordPooledText(b, holder ? std::string_view(*holder) : std::string_view());
  } else {
    MarkNull(b, false);
    valueType_->ReadPayload(DataArea(b), s);
  }
}

void TcxValueDef::WriteRecordText(const Byte* b, TStream& s) const {
  if (b == nullptr || !laidText_) StreamWriteAnsiText(s, String());
  else valueType_->WriteDisplayText(TextSlot(b), s);
}

void TcxValueDef::ReadRecordText(Byte* b, TStream& s) const {
  if (!laidText_) {
    StreamReadAnsiText(s);
    return;
  }
  valueType_->ReadDisplayText(TextSlot(b), s);
}

// ---------------------------------------------------------------------------------------------
// TcxValueDefs

TcxValueDefs::~TcxValueDefs() { RemoveAll(); }

void TcxValueDefs::NotifyDefChange(TcxValueDef* def, bool resync) {
  storage_->NoteValueDefChange(def, resync);
  // Records follow the new settings at once, keeping their values.
  storage_->Relayout(this);
}

int TcxValueDefs::LayOut(TcxValueDef* d, int pos) {
  d->offset_ = pos;
  d->laidText_ = d->HoldsText();
  if (d->IsInRecord()) {
    d->bufferSize_ = 1 + d->dataSize_ + (d->laidText_ ? int(sizeof(void*)) : 0);
  } else {
    d->bufferSize_ = 0;
    d->laidText_ = false;
  }
  return pos + d->bufferSize_;
}

void TcxValueDefs::LayoutFrom(int start) {
  recordOffset_ = start;
  int pos = start;
  for (TcxValueDef* d : items_) pos = LayOut(d, pos);
  recordSize_ = pos;
}

void TcxValueDefs::LayoutLast() { recordSize_ = LayOut(items_.back(), recordSize_); }

TcxValueDefClass TcxValueDefs::DefClass() {
  return [](TcxValueDefs* owner, TcxValueTypeClass type) -> TcxValueDef* { return new TcxValueDef(owner, type); };
}

TcxValueDef* TcxValueDefs::Add(TcxValueTypeClass valueType, bool inRecord, TObject* link, bool holdsText) {
  TcxValueDef* def = DefClass()(this, valueType);
  def->link_ = link;
  def->inRecord_ = inRecord;
  def->holdsText_ = holdsText;
  storage_->AddValueDefToRecords(def, int(items_.size()));
  return def;
}

TcxValueDef* TcxValueDefs::DefAt(int i) const {
  if (!IsInternal() && storage_->streaming_) return storage_->streamingOrder_.at(std::size_t(i));
  return items_.at(std::size_t(i));
}

int TcxValueDefs::IndexOf(const TcxValueDef* def) const {
  auto it = std::find(items_.begin(), items_.end(), def);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

int TcxValueDefs::InRecordCount() const {
  int n = 0;
  for (auto* d : items_)
    if (d->IsInRecord()) ++n;
  return n;
}

void TcxValueDefs::RemoveAll() {
  while (!items_.empty()) delete items_.back();
}

TcxInternalValueDef* TcxInternalValueDefs::FindByMirrored(const TcxValueDef* def) const {
  for (int i = DefCount() - 1; i >= 0; --i) {
    auto* d = static_cast<TcxInternalValueDef*>(items_[std::size_t(i)]);
    if (d->mirrored_ == def) return d;
  }
  return nullptr;
}

void TcxInternalValueDefs::RemoveByMirrored(const TcxValueDef* def) { delete FindByMirrored(def); }

TcxValueDefClass TcxInternalValueDefs::DefClass() {
  return [](TcxValueDefs* owner, TcxValueTypeClass type) -> TcxValueDef* {
    return new TcxInternalValueDef(owner, type);
  };
}

// ---------------------------------------------------------------------------------------------
// Record buffers: slices of a few large zeroed blocks, one arena per record size. A released
// buffer is cleared and handed out again; the blocks go when the arena is cleared.

class TcxRecordArena {
 public:
  explicit TcxRecordArena(int recordSize) : size_(std::size_t(std::max(1, recordSize))) {}
  std::size_t Size() const { return size_; }

  Byte* Allocate() {
    if (!free_.empty()) {
      Byte* b = free_.back();
      free_.pop_back();
      std::memset(b, 0, size_);
      return b;
    }
    if (used_ == blockRecords_) {
      // Blocks grow with the store: small stores stay small, large ones need few blocks.
      if (!blocks_.empty()) blockRecords_ = std::min<std::size_t>(blockRecords_ * 2, 65536);
      blocks_.push_back(std::unique_ptr<Byte[]>(new (std::nothrow) Byte[size_ * blockRecords_]()));
      if (blocks_.back() == nullptr) {
        blocks_.pop_back();
        throw EOutOfResources("Out of memory");
      }
      used_ = 0;
    }
    return blocks_.back().get() + size_ * used_++;
  }

  void Release(Byte* b) { free_.push_back(b); }

  // Only when no buffer of the arena is in use any more.
  void Clear() {
    blocks_.clear();
    free_.clear();
    blockRecords_ = 16;
    used_ = blockRecords_;
  }

 private:
  std::size_t size_;
  std::size_t blockRecords_ = 16;
  std::size_t used_ = 16;
  std::vector<std::unique_ptr<Byte[]>> blocks_;
  std::vector<Byte*> free_;
};

// ---------------------------------------------------------------------------------------------
// TcxDataStorage

TcxRecordArena& TcxDataStorage::ArenaOf(TcxValueDefs* defs) {
  auto& arena = defs == valueDefs_ ? recordArena_ : internalArena_;
  std::size_t size = std::size_t(std::max(1, defs->RecordSize()));
  if (arena == nullptr || arena->Size() != size) {
    // Every layout change moves or frees the buffers first (Relayout), so no buffer of the old
    // size is left in use here.
    arena = std::make_unique<TcxRecordArena>(int(size));
  }
  return *arena;
}

void TcxDataStorage::NoteChange() {
  static uint64_t stamps = 0;  // UI thread only, as the storage
  changeStamp_ = ++stamps;
}

TcxDataStorage::TcxDataStorage() {
  NoteChange();
  internalDefs_ = new TcxInternalValueDefs(this);
  valueDefs_ = new TcxValueDefs(this);
  LayoutValueDefs(valueDefs_);
  LayoutValueDefs(internalDefs_);
}

TcxDataStorage::~TcxDataStorage() {
  destroying_ = true;
  ClearAll(false);
  delete valueDefs_;
  valueDefs_ = nullptr;
  delete internalDefs_;
  internalDefs_ = nullptr;
}

TcxValueDefs* TcxDataStorage::ValueDefsOf(int recordIndex) const {
  return recordIndex < 0 ? static_cast<TcxValueDefs*>(internalDefs_) : valueDefs_;
}

Byte* TcxDataStorage::BufferOf(int index) const {
  if (index >= 0) {
    if (index >= RecordsCount()) TList::Error("List index out of bounds (%d)", index);
    return records_[std::size_t(index)];
  }
  std::size_t slot = std::size_t(-(int64_t(index) + 1));
  return slot < internalRecords_.size() ? internalRecords_[slot] : nullptr;
}

Byte*& TcxDataStorage::SlotOf(int index) {
  if (index >= 0) {
    if (index >= RecordsCount()) TList::Error("List index out of bounds (%d)", index);
    return records_[std::size_t(index)];
  }
  std::size_t slot = std::size_t(-(int64_t(index) + 1));
  if (slot >= internalRecords_.size()) TList::Error("List index out of bounds (%d)", index);
  return internalRecords_[slot];
}

Byte* TcxDataStorage::EnsureBuffer(int index) {
  Byte*& slot = SlotOf(index);
  if (slot == nullptr) slot = ArenaOf(ValueDefsOf(index)).Allocate();
  return slot;
}

void TcxDataStorage::FreeBuffer(Byte*& slot, TcxValueDefs* defs) {
  Byte* b = slot;
  if (b == nullptr) return;
  slot = nullptr;
  for (TcxValueDef* d : defs->items_) d->ReleaseRecordValue(b);
  ArenaOf(defs).Release(b);
}

void TcxDataStorage::ReleaseBuffer(int index) {
  NoteChange();
  FreeBuffer(SlotOf(index), ValueDefsOf(index));
}

TcxValueDef* TcxDataStorage::Resolve(int index, TcxValueDef* def) const {
  if (def == nullptr) return nullptr;
  if (index < 0 && def->owner_ == valueDefs_) return internalDefs_->FindByMirrored(def);
  return def->owner_ == ValueDefsOf(index) ? def : nullptr;
}

void TcxDataStorage::ChangeRecordsCount(int n) {
  if (n < 0) n = 0;
  while (RecordsCount() < n) AddRecord();
  while (RecordsCount() > n) RemoveRecord(RecordsCount() - 1);
}

void TcxDataStorage::EnsureRecordID(int index) {
  if (!recordIDsUsed_) return;
  Byte* b = EnsureBuffer(index);
  if (Load<Integer>(b + 1) == 0) Store<Integer>(b + 1, recordIDCounter_++);
}

int TcxDataStorage::AddRecord() {
  NoteChange();
  records_.push_back(nullptr);
  int index = RecordsCount() - 1;
  EnsureRecordID(index);
  return index;
}

void TcxDataStorage::InsertRecordAt(int index) {
  NoteChange();
  if (index < 0 || index > RecordsCount()) TList::Error("List index out of bounds (%d)", index);
  records_.insert(records_.begin() + index, nullptr);
  EnsureRecordID(index);
}

void TcxDataStorage::RemoveRecord(int index) {
  NoteChange();
  if (index < 0) {
    RemoveInternalRecord(index);
    return;
  }
  if (index >= RecordsCount()) TList::Error("List index out of bounds (%d)", index);
  ReleaseBuffer(index);
  records_.erase(records_.begin() + index);
  if (records_.empty()) recordIDCounter_ = 1;
}

int TcxDataStorage::NewInternalRecord() {
  std::size_t slot = 0;
  while (slot < internalRecords_.size() && internalRecords_[slot] != nullptr && (internalRecords_[slot][0] & 1) != 0)
    ++slot;
  if (slot == internalRecords_.size()) internalRecords_.push_back(nullptr);
  int index = -int(slot) - 1;
  Byte* b = EnsureBuffer(index);
  b[0] |= 1;
  return index;
}

void TcxDataStorage::RemoveInternalRecord(int index) {
  if (index >= 0) return;
  std::size_t slot = std::size_t(-(index + 1));
  if (slot < internalRecords_.size()) FreeBuffer(internalRecords_[slot], internalDefs_);
}

Variant TcxDataStorage::RecordValue(int index, TcxValueDef* def) const {
  Byte* b = BufferOf(index);
  TcxValueDef* d = Resolve(index, def);
  Variant v = Null();
  if (b != nullptr && d != nullptr) d->RecordValue(b, v);
  return v;
}

void TcxDataStorage::SetRecordValue(int index, TcxValueDef* def, const Variant& v) {
  TcxValueDef* d = Resolve(index, def);
  if (d == nullptr) return;
  d->SetRecordValue(EnsureBuffer(index), v);
}

String TcxDataStorage::RecordText(int index, TcxValueDef* def) const {
  Byte* b = BufferOf(index);
  TcxValueDef* d = Resolve(index, def);
  String s;
  if (b != nullptr && d != nullptr) d->RecordText(b, s);
  return s;
}

void TcxDataStorage::SetRecordText(int index, TcxValueDef* def, const String& s) {
  TcxValueDef* d = Resolve(index, def);
  if (d == nullptr || !d->laidText_) return;
  d->SetRecordText(EnsureBuffer(index), s);
}

int TcxDataStorage::CompareRecordsOn(int index1, int index2, TcxValueDef* def) const {
  TcxValueDef* d1 = Resolve(index1, def);
  TcxValueDef* d2 = Resolve(index2, def);
  if (d1 == def && d2 == def) return def->CompareRecordValues(BufferOf(index1), BufferOf(index2));
  // An internal record against another record: each buffer is read through its own layout.
  const Byte* b1 = BufferOf(index1);
  const Byte* b2 = BufferOf(index2);
  bool n1 = d1 == nullptr || d1->bufferSize_ == 0 || d1->IsNullIn(b1);
  bool n2 = d2 == nullptr || d2->bufferSize_ == 0 || d2->IsNullIn(b2);
  if (n1 || n2) return n1 == n2 ? 0 : (n1 ? -1 : 1);
  return def->valueType_->CompareBuffers(d1->DataArea(b1), d2->DataArea(b2));
}

bool TcxDataStorage::PreparedValueOf(int index, TcxValueDef* def, const void*& p) const {
  Byte* b = BufferOf(index);
  TcxValueDef* d = Resolve(index, def);
  if (d == nullptr || d->IsNullIn(b) || d->bufferSize_ == 0) return true;
  p = d->DataArea(b);
  d->valueType_->PrepareDataPointer(p);
  return false;
}

Integer TcxDataStorage::RecordIDOf(int index) {
  if (!recordIDsUsed_) return 0;
  return Load<Integer>(EnsureBuffer(index) + 1);
}

void TcxDataStorage::AssignRecordID(int index, Integer id) {
  if (!recordIDsUsed_) return;
  Store<Integer>(EnsureBuffer(index) + 1, id);
}

void TcxDataStorage::LoadRecordFromReader(int index, TcxValueDefReader* reader) {
  EnsureBuffer(index);
  TcxValueDefs* defs = ValueDefsOf(index);
  for (int i = 0; i < defs->DefCount(); ++i) {
    TcxValueDef* d = defs->items_[std::size_t(i)];
    if (reader->IsSkipped(d)) continue;
    SetRecordValue(index, d, reader->ReadValue(d));
    if (d->HoldsText()) SetRecordText(index, d, reader->ReadDisplayText(d));
  }
}

void TcxDataStorage::ForEachValueDefOf(int index, void* argument, const TForEachMethod& method, TObject* target,
                                       TcxValueDefReader* reader) {
  TcxValueDefs* defs = ValueDefsOf(index);
  for (int i = 0; i < defs->DefCount(); ++i) method(target, defs->items_[std::size_t(i)], index, reader, argument);
}

void TcxDataStorage::ClearAll(bool keepInternal) {
  NoteChange();
  if (!keepInternal) ClearInternal();
  for (auto& slot : records_) FreeBuffer(slot, valueDefs_);
  records_.clear();
  recordArena_.reset();
  recordIDCounter_ = 1;
}

void TcxDataStorage::ClearInternal() {
  for (auto& slot : internalRecords_) FreeBuffer(slot, internalDefs_);
  internalRecords_.clear();
  internalArena_.reset();
  if (OnClearInternalRecords && !destroying_) OnClearInternalRecords(this);
}

void TcxDataStorage::SetInRecordValuesOnly(bool value) {
  NoteChange();
  if (inRecordValuesOnly_ == value) return;
  for (auto& slot : records_) FreeBuffer(slot, valueDefs_);
  inRecordValuesOnly_ = value;
  LayoutValueDefs(valueDefs_);
  Relayout(internalDefs_);
  for (int i = 0; i < RecordsCount(); ++i) EnsureRecordID(i);
}

void TcxDataStorage::SetRecordIDsUsed(bool value) {
  NoteChange();
  if (recordIDsUsed_ == value) return;
  for (auto& slot : records_) FreeBuffer(slot, valueDefs_);
  recordIDsUsed_ = value;
  LayoutValueDefs(valueDefs_);
  Relayout(internalDefs_);
  for (int i = 0; i < RecordsCount(); ++i) EnsureRecordID(i);
}

void TcxDataStorage::StartStreaming(const TDefCompare& less) {
  streamingOrder_ = valueDefs_->items_;
  if (less) std::sort(streamingOrder_.begin(), streamingOrder_.end(), less);
  streaming_ = true;
}

void TcxDataStorage::FinishStreaming() {
  streaming_ = false;
  streamingOrder_.clear();
}

void TcxDataStorage::SaveRecordToStream(int index, TStream& s) {
  Byte* b = BufferOf(index);
  if (b == nullptr) {
    StreamWriteByte(s, 1);
    return;
  }
  StreamWriteByte(s, 0);
  if (recordIDsUsed_) StreamWriteInt32(s, Load<Integer>(b + 1));
  const auto& order = streaming_ ? streamingOrder_ : valueDefs_->items_;
  for (TcxValueDef* d : order) {
    if (!d->streamed_) continue;
    d->WriteRecordValue(b, s);
    if (d->laidText_) d->WriteRecordText(b, s);
  }
}

void TcxDataStorage::LoadRecordFromStream(int index, TStream& s) {
  NoteChange();
  if (StreamReadByte(s) == 1) {
    ReleaseBuffer(index);
    return;
  }
  Byte* b = EnsureBuffer(index);
  if (recordIDsUsed_) {
    Integer id = StreamReadInt32(s);
    Store<Integer>(b + 1, id);
    if (id >= recordIDCounter_ && id < INT32_MAX) recordIDCounter_ = id + 1;
  }
  const auto& order = streaming_ ? streamingOrder_ : valueDefs_->items_;
  for (TcxValueDef* d : order) {
    if (!d->streamed_) continue;
    d->ReadRecordValue(b, s);
    if (d->laidText_) d->ReadRecordText(b, s);
  }
}

void TcxDataStorage::AddValueDefToRecords(TcxValueDef* def, int position) {
  NoteChange();
  TcxValueDefs* defs = def->owner_;
  if (defs == valueDefs_) {
    TcxValueDef* mirror = internalDefs_->Add(def->valueType_, true, nullptr, def->holdsText_);
    static_cast<TcxInternalValueDef*>(mirror)->mirrored_ = def;
  }
  defs->items_.insert(defs->items_.begin() + position, def);
  if (BuffersOf(defs).empty() && position + 1 == int(defs->items_.size()) &&
      defs->recordOffset_ == ValueDefsStart() && defs->items_.size() > 1) {
    // A column appended before any record exists (binding columns one by one): the others keep
    // their places, so binding n columns stays linear.
    defs->LayoutLast();
    return;
  }
  Relayout(defs);
}

void TcxDataStorage::RemoveValueDefFromRecords(TcxValueDef* def) {
  NoteChange();
  TcxValueDefs* defs = def->owner_;
  auto it = std::find(defs->items_.begin(), defs->items_.end(), def);
  if (it == defs->items_.end()) return;
  if (defs == valueDefs_ && internalDefs_ != nullptr) internalDefs_->RemoveByMirrored(def);
  if (destroying_) {
    defs->items_.erase(std::find(defs->items_.begin(), defs->items_.end(), def));
    return;
  }
  bool onlyInRecord = def->bufferSize_ > 0;
  for (TcxValueDef* d : defs->items_)
    if (d != def && d->bufferSize_ > 0) onlyInRecord = false;
  if (onlyInRecord) {
    // The last column in the record goes: the records keep no buffer at all.
    for (auto& slot : BuffersOf(defs)) FreeBuffer(slot, defs);
    defs->items_.erase(std::find(defs->items_.begin(), defs->items_.end(), def));
    LayoutValueDefs(defs);
    return;
  }
  defs->items_.erase(std::find(defs->items_.begin(), defs->items_.end(), def));
  Relayout(defs, def);
}

void TcxDataStorage::Relayout(TcxValueDefs* defs, TcxValueDef* removed) {
  NoteChange();
  if (BuffersOf(defs).empty()) {
    // No record yet (columns bound before loading): only the offsets change.
    LayoutValueDefs(defs);
    return;
  }
  struct Old {
    int offset, size;
    bool text;
  };
  std::vector<Old> old;
  old.reserve(defs->items_.size());
  for (TcxValueDef* d : defs->items_) old.push_back({d->offset_, d->bufferSize_, d->laidText_});
  int oldStart = defs->recordOffset_;
  // The old buffers stay in their arena until every record has moved to a fresh one.
  std::unique_ptr<TcxRecordArena> oldArena = std::move(defs == valueDefs_ ? recordArena_ : internalArena_);
  LayoutValueDefs(defs);
  int newStart = defs->recordOffset_;
  TcxRecordArena& arena = ArenaOf(defs);
  for (Byte*& slot : BuffersOf(defs)) {
    Byte* ob = slot;
    if (ob == nullptr) continue;
    Byte* nb = arena.Allocate();
    nb[0] = ob[0];
    if (oldStart == 5 && newStart == 5) std::memcpy(nb + 1, ob + 1, 4);
    for (std::size_t i = 0; i < defs->items_.size(); ++i) {
      TcxValueDef* d = defs->items_[i];
      const Old& o = old[i];
      if (o.size == 0) continue;
      if (d->bufferSize_ > 0) {
        std::memcpy(nb + d->offset_, ob + o.offset, std::size_t(1 + d->dataSize_));
        if (o.text && d->laidText_) {
          std::memcpy(nb + d->offset_ + 1 + d->dataSize_, ob + o.offset + 1 + d->dataSize_, sizeof(void*));
        } else if (o.text) {
          d->valueType_->FreeTextBuffer(ob + o.offset + 1 + d->dataSize_);
        }
      } else {
        if (ob[o.offset] != 0) d->ReleaseArea(ob + o.offset + 1);
        if (o.text) d->valueType_->FreeTextBuffer(ob + o.offset + 1 + d->dataSize_);
      }
    }
    if (removed != nullptr && removed->bufferSize_ > 0) {
      // The removed column still carries its old layout.
      if (ob[removed->offset_] != 0) removed->ReleaseArea(ob + removed->offset_ + 1);
      if (removed->laidText_) removed->valueType_->FreeTextBuffer(ob + removed->offset_ + 1 + removed->dataSize_);
    }
    slot = nb;
  }
}

// ---------------------------------------------------------------------------------------------
// TcxLookupList

bool TcxLookupList::Locate(const Variant& v, int& index) const {
  int lo = 0, hi = Count() - 1;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int c = CompareVariantValues(items_[std::size_t(mid)].Value, v);
    if (c == 0) {
      index = mid;
      return true;
    }
    if (c < 0) lo = mid + 1;
    else hi = mid - 1;
  }
  index = lo;
  return false;
}

void TcxLookupList::InsertAt(int index, const Variant& v, const String& text) {
  if (index < 0 || index > Count()) TList::Error("List index out of bounds (%d)", index);
  items_.insert(items_.begin() + index, TcxLookupListItem{v, text});
}
