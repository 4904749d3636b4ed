// Value routines of the data layer: a total order and an equality on variants, type tests,
// builders of one-dimensional variant arrays, the binary variant stream in which single values
// are stored, fixed-width readers and writers of primitive values, and the filer classes.
//
// Order: null sorts before every other value, two nulls are equal, an array sorts after every
// scalar; strings compare ordinally (UTF-8 byte order). Values that cannot be converted into
// each other answer -1 in both directions.
#pragma once

#include "rtl/Classes.h"
#include "rtl/Variants.h"

// Type codes of the two registered custom value kinds. The platform's Variant holds neither
// (a BCD value crosses as a double, a time stamp as a date); the codes exist so that type
// tests and value types can name them.
constexpr TVarType varFMTBcd = 0x0FF0;
constexpr TVarType varSQLTimeStamp = 0x0FF1;

// Comparison and tests.
int CompareVariantValues(const Variant& a, const Variant& b);
bool VariantsCompareEqual(const Variant& a, const Variant& b);
// Equality where a Boolean against a non-null value compares as text (True equals "True").
bool SameVariantValues(const Variant& a, const Variant& b);
bool IsDateTimeVarType(TVarType t);
bool IsDateTimeVariant(const Variant& v);
bool IsNumericOrBcdVariant(const Variant& v);
// Null, or a string equal to "" (empty/unassigned answers false).
bool IsVariantNullOrEmptyText(const Variant& v);
bool IsCurrencyOrBcdVarType(TVarType t);

// Arrays [0..n] of variants.
void MakeVariantPair(const Variant& a, const Variant& b, Variant& r);
void MakeVariantSingleton(const Variant& a, Variant& r);
void AppendToVariantArray(Variant& r, const Variant& a);

// Fixed-width little-endian values. Every read reads exactly its bytes: a short stream raises
// EReadError "Stream read error".
Byte StreamReadByte(TStream& s);
void StreamWriteByte(TStream& s, Byte v);
SmallInt StreamReadInt16(TStream& s);
void StreamWriteInt16(TStream& s, SmallInt v);
Word StreamReadWord(TStream& s);
void StreamWriteWord(TStream& s, Word v);
Integer StreamReadInt32(TStream& s);
void StreamWriteInt32(TStream& s, Integer v);
Int64 StreamReadInt64(TStream& s);
void StreamWriteInt64(TStream& s, Int64 v);
// 10 bytes, x87 80-bit extended precision, narrowed to / widened from a double.
double StreamReadExtended(TStream& s);
void StreamWriteExtended(TStream& s, double v);
Currency StreamReadCurrency(TStream& s);
void StreamWriteCurrency(TStream& s, Currency v);
TDateTime StreamReadDateTime(TStream& s);
void StreamWriteDateTime(TStream& s, TDateTime v);
// A 4-byte byte length and the bytes. A length beyond the end of the stream raises the read
// error before anything is allocated.
String StreamReadAnsiText(TStream& s);
void StreamWriteAnsiText(TStream& s, const String& v);
// A 4-byte count of UTF-16 code units and the units; the text is UTF-8 in memory.
String StreamReadWideText(TStream& s);
void StreamWriteWideText(TStream& s, const String& v);

// The 80-bit extended layout used by StreamWriteExtended (little-endian, 10 bytes).
void DoubleToExtendedBytes(double v, Byte out[10]);
double ExtendedBytesToDouble(const Byte in[10]);

// One variant item: a tag byte and its payload. Writing an array of more than one dimension
// raises EWriteError "Stream write error". Reading an unknown tag, a negative or impossible
// array count, or arrays nested deeper than 64 levels raises EReadError "Stream read error".
// `reserved`: bytes that what follows the value in the stream needs at least (array counts
// must leave them).
void ReadVariantFromStream(TStream& s, Variant& v, Int64 reserved = 0);
void WriteVariantToStream(TStream& s, const Variant& v);

// Filers over a stream they do not own.
class TcxFiler : public TObject {
 public:
  explicit TcxFiler(TStream* stream) : stream_(stream) {}
  TStream* Stream() const { return stream_; }

 private:
  TStream* stream_;
};

class TcxReader : public TcxFiler {
 public:
  using TcxFiler::TcxFiler;
  Integer ReadInt32() { return StreamReadInt32(*Stream()); }
  String ReadText() { return StreamReadAnsiText(*Stream()); }
};

class TcxWriter : public TcxFiler {
 public:
  using TcxFiler::TcxFiler;
  void WriteInt32(Integer v) { StreamWriteInt32(*Stream(), v); }
  void WriteText(const String& v) { StreamWriteAnsiText(*Stream(), v); }
};
