#include "data/cxVariants.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "rtl/SysUtils.h"

namespace {

[[noreturn]] void ReadError() { throw EReadError("Stream read error"); }
[[noreturn]] void WriteError() { throw EWriteError("Stream write error"); }

bool IsIntegerType(TVarType t) {
  switch (t) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
    case varInt64:
      return true;
    default:
      return false;
  }
}

int SignOf(double d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); }

// Answers the order of two scalars that are not null; throws the variant type's errors.
int CompareScalars(const Variant& a, const Variant& b) {
  TVarType ta = a.VarType(), tb = b.VarType();
  // Fast paths for the common same-kind cases; they agree with VarCompareValue.
  if (IsIntegerType(ta) && IsIntegerType(tb)) {
    Int64 x = a.AsInt64(), y = b.AsInt64();
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  if ((ta == varDouble || ta == varDate) && (tb == varDouble || tb == varDate)) {
    double x = a.AsDouble(), y = b.AsDouble();
    if (x == y) return 0;
    return x < y ? -1 : 1;
  }
  if (a.IsString() && b.IsString()) {
    int c = a.StrRef().compare(b.StrRef());
    return SignOf(c);
  }
  switch (VarCompareValue(a, b)) {
    case vrEqual: return 0;
    case vrLessThan: return -1;
    default: return 1;
  }
}

}  // namespace

int CompareVariantValues(const Variant& a, const Variant& b) {
  bool arrA = a.IsArray(), arrB = b.IsArray();
  if (arrA || arrB) {
    if (arrA && arrB) {
      Integer ha = VarArrayHighBound(a, 1), hb = VarArrayHighBound(b, 1);
      if (ha != hb) return ha - hb;
      Integer la = VarArrayLowBound(a, 1), lb = VarArrayLowBound(b, 1);
      // Elements by position, counted from each array's low bound (0 for the data layer's).
      for (Integer i = 0; i <= ha && la + i <= ha && lb + i <= hb; ++i) {
        int r = CompareVariantValues(a.GetElement(la + i), b.GetElement(lb + i));
        if (r != 0) return r;
      }
      return 0;
    }
    return arrA ? 1 : -1;
  }
  if (a.IsNull()) return b.IsNull() ? 0 : -1;
  if (b.IsNull()) return 1;
  try {
    return CompareScalars(a, b);
  } catch (const EVariantTypeCastError&) {
    return -1;
  } catch (const EConvertError&) {
    return -1;
  }
}

bool VariantsCompareEqual(const Variant& a, const Variant& b) { return CompareVariantValues(a, b) == 0; }

bool SameVariantValues(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull() || (a.VarType() != varBoolean && b.VarType() != varBoolean))
    return VariantsCompareEqual(a, b);
  try {
    return VarAsType(a, varString).StrRef() == VarAsType(b, varString).StrRef();
  } catch (const EVariantError&) {
    return false;
  } catch (const EConvertError&) {
    return false;
  }
}

bool IsDateTimeVarType(TVarType t) { return t == varDate || t == varSQLTimeStamp; }
bool IsDateTimeVariant(const Variant& v) { return IsDateTimeVarType(v.VarType()); }

bool IsNumericOrBcdVariant(const Variant& v) {
  TVarType t = v.VarType();
  return (t >= varSmallint && t <= varCurrency) || t == varBoolean || (t >= varShortInt && t <= varInt64) ||
         t == varFMTBcd;
}

bool IsVariantNullOrEmptyText(const Variant& v) {
  if (v.IsNull()) return true;
  return v.IsString() && v.StrRef().empty();
}

bool IsCurrencyOrBcdVarType(TVarType t) { return t == varCurrency || t == varFMTBcd; }

void MakeVariantPair(const Variant& a, const Variant& b, Variant& r) { r = VarArrayOf({a, b}); }
void MakeVariantSingleton(const Variant& a, Variant& r) { r = VarArrayOf({a}); }

void AppendToVariantArray(Variant& r, const Variant& a) {
  std::vector<Variant> items;
  if (r.IsArray()) {
    Integer lo = VarArrayLowBound(r, 1), hi = VarArrayHighBound(r, 1);
    for (Integer i = lo; i <= hi; ++i) items.push_back(r.GetElement(i));
  }
  items.push_back(a);
  r = VarArrayOf(items);
}

// ---------------------------------------------------------------------------------------------
// Primitive values

namespace {
template <class T>
T ReadLE(TStream& s) {
  Byte b[sizeof(T)];
  s.ReadBuffer(b, sizeof(T));
  uint64_t u = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) u |= uint64_t(b[i]) << (8 * i);
  T r;
  if constexpr (sizeof(T) == 8) {
    std::memcpy(&r, &u, 8);
  } else {
    using U = std::make_unsigned_t<T>;
    U small = U(u);
    std::memcpy(&r, &small, sizeof(T));
  }
  return r;
}

template <class T>
void WriteLE(TStream& s, T v) {
  uint64_t u = 0;
  if constexpr (sizeof(T) == 8) {
    std::memcpy(&u, &v, 8);
  } else {
    std::make_unsigned_t<T> small;
    std::memcpy(&small, &v, sizeof(T));
    u = small;
  }
  Byte b[sizeof(T)];
  for (std::size_t i = 0; i < sizeof(T); ++i) b[i] = Byte(u >> (8 * i));
  s.WriteBuffer(b, sizeof(T));
}

// Bytes left in the stream; raises the read error when fewer than `needed`.
void RequireBytes(TStream& s, Int64 needed) {
  if (needed < 0) ReadError();
  Int64 left = s.Size() - s.Position();
  if (needed > left) ReadError();
}
}  // namespace

Byte StreamReadByte(TStream& s) { return ReadLE<uint8_t>(s); }
void StreamWriteByte(TStream& s, Byte v) { WriteLE<uint8_t>(s, v); }
SmallInt StreamReadInt16(TStream& s) { return ReadLE<int16_t>(s); }
void StreamWriteInt16(TStream& s, SmallInt v) { WriteLE<int16_t>(s, v); }
Word StreamReadWord(TStream& s) { return ReadLE<uint16_t>(s); }
void StreamWriteWord(TStream& s, Word v) { WriteLE<uint16_t>(s, v); }
Integer StreamReadInt32(TStream& s) { return ReadLE<int32_t>(s); }
void StreamWriteInt32(TStream& s, Integer v) { WriteLE<int32_t>(s, v); }
Int64 StreamReadInt64(TStream& s) { return ReadLE<int64_t>(s); }
void StreamWriteInt64(TStream& s, Int64 v) { WriteLE<int64_t>(s, v); }

void DoubleToExtendedBytes(double v, Byte out[10]) {
  uint64_t bits;
  std::memcpy(&bits, &v, 8);
  bool neg = (bits >> 63) != 0;
  int exp = int((bits >> 52) & 0x7FF);
  uint64_t frac = bits & ((uint64_t(1) << 52) - 1);
  uint64_t mant;
  int e;
  if (exp == 0 && frac == 0) {
    mant = 0;
    e = 0;
  } else if (exp == 0x7FF) {
    e = 0x7FFF;
    mant = (uint64_t(1) << 63) | (frac << 11);
  } else if (exp == 0) {
    // A subnormal double is a normal extended value.
    int shift = 0;
    while ((frac & (uint64_t(1) << 52)) == 0) {
      frac <<= 1;
      ++shift;
    }
    mant = frac << 11;
    e = 1 - 1023 - shift + 16383;
  } else {
    mant = (uint64_t(1) << 63) | (frac << 11);
    e = exp - 1023 + 16383;
  }
  for (int i = 0; i < 8; ++i) out[i] = Byte(mant >> (8 * i));
  uint16_t se = uint16_t(e | (neg ? 0x8000 : 0));
  out[8] = Byte(se);
  out[9] = Byte(se >> 8);
}

double ExtendedBytesToDouble(const Byte in[10]) {
  uint64_t mant = 0;
  for (int i = 0; i < 8; ++i) mant |= uint64_t(in[i]) << (8 * i);
  uint16_t se = uint16_t(in[8] | (in[9] << 8));
  bool neg = (se & 0x8000) != 0;
  int e = se & 0x7FFF;
  double r;
  if (e == 0x7FFF) {
    r = (mant << 1) == 0 ? INFINITY : NAN;
  } else if (mant == 0) {
    r = 0.0;
  } else {
    r = std::ldexp(double(mant), e - 16383 - 63);
  }
  return neg ? -r : r;
}

double StreamReadExtended(TStream& s) {
  Byte b[10];
  s.ReadBuffer(b, 10);
  return ExtendedBytesToDouble(b);
}

void StreamWriteExtended(TStream& s, double v) {
  Byte b[10];
  DoubleToExtendedBytes(v, b);
  s.WriteBuffer(b, 10);
}

Currency StreamReadCurrency(TStream& s) { return Currency::FromRaw(StreamReadInt64(s)); }
void StreamWriteCurrency(TStream& s, Currency v) { StreamWriteInt64(s, v.Raw()); }

TDateTime StreamReadDateTime(TStream& s) {
  int64_t bits = StreamReadInt64(s);
  double d;
  std::memcpy(&d, &bits, 8);
  return d;
}

void StreamWriteDateTime(TStream& s, TDateTime v) {
  int64_t bits;
  std::memcpy(&bits, &v, 8);
  StreamWriteInt64(s, bits);
}

String StreamReadAnsiText(TStream& s) {
  Integer n = StreamReadInt32(s);
  RequireBytes(s, n);
  String r(std::size_t(n), '\0');
  if (n > 0) s.ReadBuffer(r.data(), n);
  return r;
}

void StreamWriteAnsiText(TStream& s, const String& v) {
  StreamWriteInt32(s, Integer(v.size()));
  if (!v.empty()) s.WriteBuffer(v.data(), Int64(v.size()));
}

String StreamReadWideText(TStream& s) {
  Integer n = StreamReadInt32(s);
  if (n < 0) ReadError();
  RequireBytes(s, Int64(n) * 2);
  std::vector<uint16_t> units(static_cast<std::size_t>(n));
  for (auto& u : units) u = StreamReadWord(s);
  String r;
  for (std::size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(r, c);
  }
  return r;
}

void StreamWriteWideText(TStream& s, const String& v) {
  std::vector<uint16_t> units;
  for (std::size_t off = 0; off < v.size();) {
    char32_t c = DecodeUtf8(v, off);
    if (c >= 0x10000) {
      c -= 0x10000;
      units.push_back(uint16_t(0xD800 + (c >> 10)));
      units.push_back(uint16_t(0xDC00 + (c & 0x3FF)));
    } else {
      units.push_back(uint16_t(c));
    }
  }
  StreamWriteInt32(s, Integer(units.size()));
  for (uint16_t u : units) StreamWriteWord(s, u);
}

// ---------------------------------------------------------------------------------------------
// Variant items

namespace {

enum : Byte {
  tagNull = 0, tagList = 1, tagInt8 = 2, tagInt16 = 3, tagInt32 = 4, tagExtended = 5, tagString = 6,
  tagFalse = 8, tagTrue = 9, tagLString = 12, tagNil = 13, tagSingle = 15, tagCurrency = 16, tagDate = 17,
  tagWString = 18, tagInt64 = 19
};

void WriteIntegerItem(TStream& s, Int64 v) {
  if (v >= -128 && v <= 127) {
    StreamWriteByte(s, tagInt8);
    StreamWriteByte(s, Byte(int8_t(v)));
  } else if (v >= -32768 && v <= 32767) {
    StreamWriteByte(s, tagInt16);
    StreamWriteInt16(s, SmallInt(v));
  } else if (v >= INT32_MIN && v <= INT32_MAX) {
    StreamWriteByte(s, tagInt32);
    StreamWriteInt32(s, Integer(v));
  } else {
    StreamWriteByte(s, tagInt64);
    StreamWriteInt64(s, v);
  }
}

void WriteStringItem(TStream& s, const String& text) {
  if (text.size() > 255) {
    StreamWriteByte(s, tagLString);
    StreamWriteAnsiText(s, text);
  } else {
    StreamWriteByte(s, tagString);
    StreamWriteByte(s, Byte(text.size()));
    if (!text.empty()) s.WriteBuffer(text.data(), Int64(text.size()));
  }
}

constexpr int kMaxNesting = 64;

// `owed` counts the bytes that elements announced by the enclosing arrays, and not started
// yet, still need (one each at least): an array's count must fit in what is left after
// them, so that every element held is backed by a byte of the stream however deep arrays nest.
void ReadItem(TStream& s, Variant& v, int depth, Int64& owed) {
  Byte tag = StreamReadByte(s);
  switch (tag) {
    case tagNull: v = Null(); break;
    case tagList: {
      if (depth >= kMaxNesting) ReadError();
      Byte countTag = StreamReadByte(s);
      Int64 count;
      switch (countTag) {
        case tagInt8: count = int8_t(StreamReadByte(s)); break;
        case tagInt16: count = StreamReadInt16(s); break;
        case tagInt32: count = StreamReadInt32(s); break;
        default: count = StreamReadInt64(s); break;
      }
      // Every element takes at least one byte: a count beyond the stream's end is corrupt.
      if (count < 0 || count > INT32_MAX) ReadError();
      RequireBytes(s, owed + count);
      owed += count;
      Variant arr = VarArrayCreate({0, Integer(count - 1)}, varVariant);
      for (Int64 i = 0; i < count; ++i) {
        --owed;
        Variant item;
        ReadItem(s, item, depth + 1, owed);
        arr.PutElement(Integer(i), item);
      }
      v = std::move(arr);
      break;
    }
    case tagInt8: v = int8_t(StreamReadByte(s)); break;
    case tagInt16: v = StreamReadInt16(s); break;
    case tagInt32: v = StreamReadInt32(s); break;
    case tagExtended: v = StreamReadExtended(s); break;
    case tagString: {
      Byte n = StreamReadByte(s);
      String text(n, '\0');
      if (n > 0) s.ReadBuffer(text.data(), n);
      v = Variant(std::move(text));
      break;
    }
    case tagFalse: v = false; break;
    case tagTrue: v = true; break;
    case tagLString: v = Variant(StreamReadAnsiText(s)); break;
    case tagNil: v = Unassigned(); break;
    case tagSingle: {
      uint32_t bits = uint32_t(StreamReadInt32(s));
      float f;
      std::memcpy(&f, &bits, 4);
      v = f;
      break;
    }
    case tagCurrency: v = StreamReadCurrency(s); break;
    case tagDate: v = VarFromDateTime(StreamReadDateTime(s)); break;
    case tagWString: v = VarAsType(Variant(StreamReadWideText(s)), varOleStr); break;
    case tagInt64: v = StreamReadInt64(s); break;
    default: ReadError();
  }
}

void WriteItem(TStream& s, const Variant& v) {
  if (v.IsArray()) {
    if (VarArrayDimCount(v) != 1) WriteError();
    Integer lo = VarArrayLowBound(v, 1), hi = VarArrayHighBound(v, 1);
    StreamWriteByte(s, tagList);
    WriteIntegerItem(s, Int64(hi) - lo + 1);
    for (Integer i = lo; i <= hi; ++i) WriteItem(s, v.GetElement(i));
    return;
  }
  switch (v.VarType() & varTypeMask) {
    case varEmpty: StreamWriteByte(s, tagNil); return;
    case varNull: StreamWriteByte(s, tagNull); return;
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
    case varInt64:
      WriteIntegerItem(s, v.AsInt64());
      return;
    case varSingle: {
      float f = float(v.AsDouble());
      uint32_t bits;
      std::memcpy(&bits, &f, 4);
      StreamWriteByte(s, tagSingle);
      StreamWriteInt32(s, Integer(bits));
      return;
    }
    case varDouble:
      StreamWriteByte(s, tagExtended);
      StreamWriteExtended(s, v.AsDouble());
      return;
    case varCurrency:
      StreamWriteByte(s, tagCurrency);
      StreamWriteCurrency(s, v.AsCurrency());
      return;
    case varDate:
      StreamWriteByte(s, tagDate);
      StreamWriteDateTime(s, v.AsDateTime());
      return;
    case varOleStr:
      StreamWriteByte(s, tagWString);
      StreamWriteWideText(s, v.StrRef());
      return;
    case varBoolean: StreamWriteByte(s, v.AsBoolean() ? tagTrue : tagFalse); return;
    case varString: WriteStringItem(s, v.StrRef()); return;
    default: break;
  }
  String text;
  try {
    text = v.AsString();
  } catch (const Exception&) {
    WriteError();
  }
  WriteStringItem(s, text);
}

}  // namespace

void ReadVariantFromStream(TStream& s, Variant& v, Int64 reserved) {
  Int64 owed = std::max<Int64>(reserved, 0);
  ReadItem(s, v, 0, owed);
}
void WriteVariantToStream(TStream& s, const Variant& v) { WriteItem(s, v); }
