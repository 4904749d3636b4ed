#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "data/cxVariants.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace {

Variant Arr(std::initializer_list<Variant> items) { return VarArrayOf(items); }

String Bytes(const Variant& v) {
  TMemoryStream m;
  WriteVariantToStream(m, v);
  return testing_support::HexBytes(m.Memory(), size_t(m.Size()));
}

Variant ReadBack(const Variant& v) {
  TMemoryStream m;
  WriteVariantToStream(m, v);
  m.SetPosition(0);
  Variant r;
  ReadVariantFromStream(m, r);
  EXPECT_EQ(m.Position(), m.Size());
  return r;
}

TMemoryStream* StreamOf(std::initializer_list<int> bytes) {
  auto* m = new TMemoryStream;
  for (int b : bytes) m->WriteByte(Byte(b));
  m->SetPosition(0);
  return m;
}

TEST(CompareVariantValues, OrderAcrossTypes) {
  struct Case {
    const char* name;
    Variant a, b;
    int expected;
  } cases[] = {
      {"null null", Null(), Null(), 0},
      {"null before value", Null(), 5, -1},
      {"value after null", 5, Null(), 1},
      {"null before empty", Null(), Unassigned(), -1},
      {"array high bounds differ", Arr({1, 2, 3}), Arr({1}), 2},
      {"array after scalar", Arr({1}), 7, 1},
      {"scalar before array", 7, Arr({1}), -1},
      {"arrays element-wise", Arr({1, 2}), Arr({1, 3}), -1},
      {"arrays equal", Arr({1, "x"}), Arr({1, "x"}), 0},
      {"text vs number", "abc", 5, -1},
      {"number vs text", 5, "abc", -1},
      {"numeric text", "10", 9, 1},
      {"ints", -2147483647 - 1, 2147483647, -1},
      {"int vs double", 2, 2.5, -1},
      {"int vs int64", Int64(1) << 40, 3, 1},
      {"currency vs double", Currency(1.5), 1.5, 0},
      {"strings ordinal", "B", "a", -1},
      {"strings equal", "a", "a", 0},
      {"dates", VarFromDateTime(45000.0), VarFromDateTime(45000.5), -1},
      {"booleans", false, true, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(CompareVariantValues(c.a, c.b), c.expected) << c.name;
}

TEST(CompareVariantValues, SameValuesAndTypeTests) {
  struct Case {
    const char* name;
    Variant a, b;
    bool same;
  } cases[] = {
      {"true vs text True", true, "True", true},
      {"true vs 1", true, 1, false},
      {"null vs false", Null(), false, false},
      {"false vs text", false, "False", true},
      {"1 vs 1.0", 1, 1.0, true},
      {"null vs null", Null(), Null(), true},
      {"true vs array", true, Arr({1}), false},
  };
  for (const auto& c : cases) EXPECT_EQ(SameVariantValues(c.a, c.b), c.same) << c.name;

  EXPECT_FALSE(IsVariantNullOrEmptyText(Unassigned()));
  EXPECT_FALSE(IsVariantNullOrEmptyText(0));
  EXPECT_FALSE(IsVariantNullOrEmptyText("x"));
  EXPECT_TRUE(IsVariantNullOrEmptyText(""));
  EXPECT_TRUE(IsVariantNullOrEmptyText(Null()));
  EXPECT_TRUE(IsNumericOrBcdVariant(true));
  EXPECT_TRUE(IsNumericOrBcdVariant(Currency(2)));
  EXPECT_TRUE(IsNumericOrBcdVariant(Int64(3)));
  EXPECT_FALSE(IsNumericOrBcdVariant("1"));
  EXPECT_FALSE(IsNumericOrBcdVariant(Arr({1})));
  EXPECT_FALSE(IsNumericOrBcdVariant(VarFromDateTime(1)));
  EXPECT_TRUE(IsDateTimeVariant(VarFromDateTime(1)));
  EXPECT_TRUE(IsDateTimeVarType(varSQLTimeStamp));
  EXPECT_FALSE(IsDateTimeVarType(varDate | varArray));
  EXPECT_TRUE(IsCurrencyOrBcdVarType(varFMTBcd));
  EXPECT_FALSE(IsCurrencyOrBcdVarType(varDouble));
}

TEST(VariantArrays, Builders) {
  Variant r;
  MakeVariantPair(1, "b", r);
  EXPECT_EQ(VarArrayHighBound(r, 1), 1);
  EXPECT_EQ(CompareVariantValues(r, Arr({1, "b"})), 0);
  MakeVariantSingleton(Null(), r);
  EXPECT_EQ(VarArrayHighBound(r, 1), 0);
  AppendToVariantArray(r, 7);
  EXPECT_EQ(CompareVariantValues(r, Arr({Null(), 7})), 0);
  Variant scalar = 3;
  AppendToVariantArray(scalar, 4);  // a scalar counts as no elements
  EXPECT_EQ(CompareVariantValues(scalar, Arr({4})), 0);
}

TEST(VariantStream, BytesOfEveryVarType) {
  String s255(255, 'x'), s256(256, 'x');
  struct Case {
    const char* name;
    Variant v;
    String bytes;
  } cases[] = {
      {"null", Null(), "00"},
      {"empty", Unassigned(), "0D"},
      {"127", 127, "02 7F"},
      {"-128 shortint", ShortInt(-128), "02 80"},
      {"-129", -129, "03 7F FF"},
      {"40000 word", Word(40000), "04 40 9C 00 00"},
      {"byte 200", Byte(200), "03 C8 00"},
      {"2^31 longword", Cardinal(2147483648u), "13 00 00 00 80 00 00 00 00"},
      {"int64 -1", Int64(-1), "02 FF"},
      {"false", false, "08"},
      {"true", true, "09"},
      {"string", "ab", "06 02 61 62"},
      {"empty string", "", "06 00"},
      {"double 1", 1.0, "05 00 00 00 00 00 00 00 80 FF 3F"},
      {"double -2", -2.0, "05 00 00 00 00 00 00 00 80 00 C0"},
      {"single 1.5", 1.5f, "0F 00 00 C0 3F"},
      {"currency 1.5", Currency(1.5), "10 98 3A 00 00 00 00 00 00"},
      {"date 2", VarFromDateTime(2.0), "11 00 00 00 00 00 00 00 40"},
      {"wide", VarAsType(Variant("\xC3\xA9"), varOleStr), "12 01 00 00 00 E9 00"},
      {"array", Arr({1, Null()}), "01 02 02 02 01 00"},
  };
  for (const auto& c : cases) EXPECT_EQ(Bytes(c.v), c.bytes) << c.name;
  EXPECT_EQ(Bytes(s255).substr(0, 5), "06 FF");
  EXPECT_EQ(Bytes(s256).substr(0, 14), "0C 00 01 00 00");
}

TEST(VariantStream, ReadBackTypesAndValues) {
  struct Case {
    const char* name;
    Variant v;
    TVarType type;
  } cases[] = {
      {"word widens", Word(40000), varInteger},
      {"small int", 5, varShortInt},
      {"smallint", SmallInt(-300), varSmallint},
      {"int64", Int64(1) << 40, varInt64},
      {"double", 3.25, varDouble},
      {"single", 0.5f, varSingle},
      {"currency", Currency(12.3456), varCurrency},
      {"date", VarFromDateTime(45000.25), varDate},
      {"string", String(300, 'y'), varString},
      {"wide", VarAsType(Variant("\xE3\x81\x82\xF0\x9F\x98\x80"), varOleStr), varOleStr},
      {"true", true, varBoolean},
      {"null", Null(), varNull},
      {"empty", Unassigned(), varEmpty},
  };
  for (const auto& c : cases) {
    Variant r = ReadBack(c.v);
    EXPECT_EQ(r.VarType(), c.type) << c.name;
    EXPECT_EQ(CompareVariantValues(r, c.v), 0) << c.name;
  }
  // Bounds 3..5 come back as 0..2, nested arrays included.
  Variant a = VarArrayCreate({3, 5}, varVariant);
  a.PutElement(3, 1);
  a.PutElement(4, Arr({"x", 2.5}));
  a.PutElement(5, Null());
  Variant r = ReadBack(a);
  EXPECT_EQ(VarArrayLowBound(r, 1), 0);
  EXPECT_EQ(VarArrayHighBound(r, 1), 2);
  EXPECT_EQ(CompareVariantValues(r.GetElement(1), Arr({"x", 2.5})), 0);
}

TEST(VariantStream, ExtendedPrecisionRoundTrip) {
  const double values[] = {0.0, -0.0, 1.0, -1.5, 1e300, -1e-300, 4.9406564584124654e-324,
                           std::numeric_limits<double>::infinity(), 0.1};
  for (double v : values) {
    Byte b[10];
    DoubleToExtendedBytes(v, b);
    double r = ExtendedBytesToDouble(b);
    EXPECT_EQ(r, v) << v;
    EXPECT_EQ(std::signbit(r), std::signbit(v)) << v;
  }
  Byte nan[10];
  DoubleToExtendedBytes(std::nan(""), nan);
  EXPECT_TRUE(std::isnan(ExtendedBytesToDouble(nan)));
}

TEST(VariantStream, WriteErrors) {
  Variant twoDim = VarArrayCreate({0, 1, 0, 1}, varVariant);
  TMemoryStream m;
  try {
    WriteVariantToStream(m, twoDim);
    FAIL() << "no error";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Stream write error");
  }
}

TEST(VariantStream, CorruptStreamsRaiseTheReadError) {
  struct Case {
    const char* name;
    std::initializer_list<int> bytes;
  } cases[] = {
      {"tag 7", {7}},
      {"tag 10", {10}},
      {"tag 11", {11}},
      {"tag 14", {14}},
      {"tag 20", {20}},
      {"tag 255", {255}},
      {"empty stream", {}},
      {"truncated int32", {4, 1, 2}},
      {"truncated string", {6, 5, 'a'}},
      {"huge array count", {1, 4, 0xFF, 0xFF, 0xFF, 0x7F}},
      {"negative array count", {1, 4, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"huge int64 count", {1, 19, 0, 0, 0, 0, 0, 0, 0, 0x40}},
      {"array count beyond the items", {1, 2, 3, 2, 1}},
      {"huge text length", {12, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}},
      {"negative text length", {12, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"huge wide length", {18, 0xFF, 0xFF, 0xFF, 0x3F, 0}},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TMemoryStream> m(StreamOf(c.bytes));
    Variant v;
    try {
      ReadVariantFromStream(*m, v);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), "Stream read error") << c.name;
    }
  }
  // Arrays nested far deeper than any stored value.
  TMemoryStream deep;
  for (int i = 0; i < 10000; ++i) {
    deep.WriteByte(1);
    deep.WriteByte(2);
    deep.WriteByte(1);
  }
  deep.WriteByte(0);
  deep.SetPosition(0);
  Variant v;
  EXPECT_THROW(ReadVariantFromStream(deep, v), EReadError);
}

TEST(VariantStream, NestedCountsMustFitBesideTheElementsStillOwed) {
  // An array of 1000 announcing, in its first element, an array of 900: the two counts cannot
  // both be backed by the 1000 bytes that follow, so the inner one is refused at once instead
  // of after holding both.
  TMemoryStream m;
  for (int b : {1, 3, 0xE8, 0x03, 1, 3, 0x84, 0x03}) m.WriteByte(Byte(b));
  for (int i = 0; i < 1000; ++i) m.WriteByte(0);
  m.SetPosition(0);
  Variant v;
  EXPECT_THROW(ReadVariantFromStream(m, v), EReadError);
  EXPECT_EQ(m.Position(), 8);
  // Counts that fit exactly are read: [[null x 2], null x 3] in 11 bytes.
  TMemoryStream ok;
  for (int b : {1, 2, 4, 1, 2, 2, 0, 0, 0, 0, 0}) ok.WriteByte(Byte(b));
  ok.SetPosition(0);
  ReadVariantFromStream(ok, v);
  ASSERT_TRUE(v.IsArray());
  EXPECT_EQ(VarArrayHighBound(v, 1), 3);
  EXPECT_EQ(VarArrayHighBound(v.GetElement(0), 1), 1);
  // Bytes reserved by the caller for what follows count as owed.
  ok.SetPosition(0);
  EXPECT_THROW(ReadVariantFromStream(ok, v, 1), EReadError);
}

TEST(VariantStream, PrimitivesAndFilers) {
  TMemoryStream m;
  StreamWriteInt16(m, -2);
  StreamWriteWord(m, 65535);
  StreamWriteInt64(m, -5);
  StreamWriteAnsiText(m, "abc");
  StreamWriteWideText(m, "\xE3\x81\x82");
  TcxWriter w(&m);
  w.WriteInt32(77);
  w.WriteText("t");
  EXPECT_EQ(m.Size(), 2 + 2 + 8 + 7 + 6 + 4 + 5);
  m.SetPosition(0);
  EXPECT_EQ(StreamReadInt16(m), -2);
  EXPECT_EQ(StreamReadWord(m), 65535);
  EXPECT_EQ(StreamReadInt64(m), -5);
  EXPECT_EQ(StreamReadAnsiText(m), "abc");
  EXPECT_EQ(StreamReadWideText(m), "\xE3\x81\x82");
  TcxReader r(&m);
  EXPECT_EQ(r.ReadInt32(), 77);
  EXPECT_EQ(r.ReadText(), "t");
  EXPECT_THROW(r.ReadInt32(), EReadError);
}

}  // namespace
