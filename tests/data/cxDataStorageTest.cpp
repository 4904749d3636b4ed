#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <random>

#include "data/cxDataStorage.h"
#include "rtl/SysUtils.h"

namespace {

class StorageTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings;
    FormatSettings = TFormatSettings::EnglishUS();
  }
  void TearDown() override { FormatSettings = saved_; }
  TFormatSettings saved_;
};

// An object that records its destruction.
class TTracked : public TObject {
 public:
  explicit TTracked(int* freed) : freed_(freed) {}
  ~TTracked() override { ++*freed_; }

 private:
  int* freed_;
};

struct TypeCase {
  TcxValueTypeClass type;
  const char* caption;
  TVarType code;
  int dataSize;
  Variant low, high;  // low orders before high
};

TEST_F(StorageTest, ValueTypesStoreCompareAndStreamTheirValues) {
  const int ptr = int(sizeof(void*));
  const TypeCase cases[] = {
      {TcxStringValueType::Class(), "String", varString, ptr, "Abc", "abc"},
      {TcxWideStringValueType::Class(), "WideString", varOleStr, ptr, "\xC3\xA9t\xC3\xA9", "\xE3\x81\x82"},
      {TcxSmallintValueType::Class(), "Smallint", varSmallint, 2, SmallInt(-32768), SmallInt(32767)},
      {TcxIntegerValueType::Class(), "Integer", varInteger, 4, -2147483647 - 1, 2147483647},
      {TcxWordValueType::Class(), "Word", varWord, 2, Word(1), Word(65535)},
      {TcxBooleanValueType::Class(), "Boolean", varBoolean, 1, false, true},
      {TcxFloatValueType::Class(), "Float", varDouble, 8, -0.5, 1e300},
      {TcxCurrencyValueType::Class(), "Currency", varCurrency, 8, Currency(-1.5), Currency(12.3456)},
      {TcxDateTimeValueType::Class(), "DateTime", varDate, 8, VarFromDateTime(1.5), VarFromDateTime(45000.75)},
      {TcxLargeIntValueType::Class(), "LargeInt", varInt64, 8, Int64(-1) << 62, Int64(1) << 62},
      {TcxFMTBcdValueType::Class(), "FMTBcd", varDouble, 34, -12.25, 9.5},
      {TcxSQLTimeStampValueType::Class(), "SQLTimeStamp", varDate, 16, VarFromDateTime(40000.25),
       VarFromDateTime(40000.5)},
      {TcxVariantValueType::Class(), "Variant", varVariant, ptr, 5, 7.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    EXPECT_EQ(c.type->Caption(), c.caption);
    EXPECT_EQ(c.type->VariantTypeCode(), c.code);
    EXPECT_EQ(c.type->DataSize(), c.dataSize);
    EXPECT_EQ(GetValueTypeClassList().ItemByCaption(c.caption), c.type);

    TcxDataStorage st;
    TcxValueDef* def = st.ValueDefs()->Add(c.type, true, nullptr, false);
    st.ChangeRecordsCount(3);
    st.SetRecordValue(0, def, c.high);
    st.SetRecordValue(1, def, c.low);
    EXPECT_EQ(CompareVariantValues(st.RecordValue(0, def), c.high), 0);
    EXPECT_EQ(CompareVariantValues(st.RecordValue(1, def), c.low), 0);
    EXPECT_TRUE(st.RecordValue(2, def).IsNull());
    EXPECT_GT(st.CompareRecordsOn(0, 1, def), 0);
    EXPECT_LT(st.CompareRecordsOn(1, 0, def), 0);
    EXPECT_LT(st.CompareRecordsOn(2, 1, def), 0);  // null first
    EXPECT_EQ(st.CompareRecordsOn(0, 0, def), 0);

    const void* p0 = nullptr;
    const void* p1 = nullptr;
    EXPECT_FALSE(st.PreparedValueOf(0, def, p0));
    EXPECT_FALSE(st.PreparedValueOf(1, def, p1));
    EXPECT_GT(def->CompareWithNullFlags(false, false, p0, p1), 0);
    Variant back;
    c.type->PreparedToVariant(p0, back);
    EXPECT_EQ(CompareVariantValues(back, c.high), 0);
    EXPECT_TRUE(st.PreparedValueOf(2, def, p0));

    TMemoryStream m;
    for (int i = 0; i < 3; ++i) st.SaveRecordToStream(i, m);
    TcxDataStorage copy;
    TcxValueDef* def2 = copy.ValueDefs()->Add(c.type, true, nullptr, false);
    copy.ChangeRecordsCount(3);
    m.SetPosition(0);
    for (int i = 0; i < 3; ++i) copy.LoadRecordFromStream(i, m);
    EXPECT_EQ(m.Position(), m.Size());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(CompareVariantValues(copy.RecordValue(i, def2), st.RecordValue(i, def)), 0) << i;
  }
  EXPECT_EQ(GetValueTypeClassList().ItemByCaption("datetime"), nullptr);
  EXPECT_EQ(GetValueTypeClassList().Count(), 14);
  EXPECT_TRUE(TcxWideStringValueType::Class()->InheritsFrom(TcxStringValueType::Class()));
  EXPECT_TRUE(TcxObjectValueType::Class()->InheritsFrom(TcxIntegerValueType::Class()));
  EXPECT_FALSE(TcxIntegerValueType::Class()->InheritsFrom(TcxObjectValueType::Class()));
}

TEST_F(StorageTest, ValueTypeDetails) {
  // String holders: none before any, two missing holders equal.
  TcxDataStorage st;
  TcxValueDef* s = st.ValueDefs()->Add(TcxStringValueType::Class(), true, nullptr, false);
  st.ChangeRecordsCount(2);
  st.SetRecordValue(0, s, "x");
  const void* held = nullptr;
  ASSERT_FALSE(st.PreparedValueOf(0, s, held));
  void* none = nullptr;
  EXPECT_LT(TcxStringValueType::Class()->ComparePrepared(nullptr, held), 0);
  EXPECT_EQ(TcxStringValueType::Class()->ComparePrepared(none, none), 0);
  String empty;
  EXPECT_LT(TcxStringValueType::Class()->ComparePrepared(nullptr, &empty), 0);

  struct ValidCase {
    TcxValueTypeClass type;
    Variant in;
    bool valid;
    Variant out;
  } valid[] = {
      {TcxIntegerValueType::Class(), "12", true, 12},
      {TcxIntegerValueType::Class(), "abc", false, "abc"},
      {TcxIntegerValueType::Class(), Null(), true, Null()},
      {TcxVariantValueType::Class(), "abc", true, "abc"},
      {TcxFloatValueType::Class(), "1.5", true, 1.5},
      {TcxBooleanValueType::Class(), "True", true, true},
  };
  for (auto& c : valid) {
    Variant v = c.in;
    EXPECT_EQ(c.type->IsValueValid(v), c.valid) << c.type->Caption();
    if (c.valid) {
      EXPECT_EQ(CompareVariantValues(v, c.out), 0) << c.type->Caption();
      if (!v.IsNull() && c.type->VariantTypeCode() != varVariant) { EXPECT_EQ(v.VarType(), c.type->VariantTypeCode()); }
    }
  }
  // A value that does not convert raises and leaves the old value.
  TcxValueDef* i = st.ValueDefs()->Add(TcxIntegerValueType::Class(), true, nullptr, false);
  st.SetRecordValue(0, i, 7);
  EXPECT_THROW(st.SetRecordValue(0, i, "abc"), EVariantError);
  EXPECT_EQ(st.RecordValue(0, i).AsInteger(), 7);
  EXPECT_THROW(st.SetRecordValue(1, i, "abc"), EVariantError);
  EXPECT_TRUE(st.RecordValue(1, i).IsNull());

  // Display texts.
  TcxValueDef* flag = st.ValueDefs()->Add(TcxBooleanValueType::Class(), true, nullptr, false);
  TcxValueDef* bcd = st.ValueDefs()->Add(TcxFMTBcdValueType::Class(), true, nullptr, false);
  st.SetRecordValue(0, flag, true);
  st.SetRecordValue(0, bcd, "-0012.50");
  EXPECT_EQ(st.RecordText(0, flag), "True");
  EXPECT_EQ(st.RecordText(0, bcd), "-12.5");
  EXPECT_EQ(st.RecordText(1, flag), "");
}

TEST_F(StorageTest, BcdValuesKeepEveryDigitThroughTheStream) {
  TcxDataStorage st;
  TcxValueDef* d = st.ValueDefs()->Add(TcxFMTBcdValueType::Class(), true, nullptr, false);
  st.ChangeRecordsCount(2);
  const String digits = "-123456789012345678901234.5678";
  st.SetRecordValue(0, d, digits);
  TMemoryStream m;
  st.SaveRecordToStream(0, m);
  EXPECT_EQ(static_cast<const Byte*>(m.Memory())[2], 6);  // a string item
  m.SetPosition(0);
  st.LoadRecordFromStream(1, m);
  EXPECT_EQ(st.RecordText(1, d), digits);
  EXPECT_EQ(st.CompareRecordsOn(0, 1, d), 0);
  FormatSettings.DecimalSeparator = ',';
  EXPECT_EQ(st.RecordText(1, d), "-123456789012345678901234,5678");
}

TEST_F(StorageTest, WideStringsOrderByUtf16Units) {
  struct Case {
    const char *a, *b;
    int order;
  } cases[] = {
      {"a", "b", -1},
      {"ab", "a", 1},
      {"x\xF0\x9F\x98\x80", "x\xEF\xBC\xA1", -1},  // U+1F600 (surrogates) before U+FF21
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x81", -1},
      {"\xC3\xA9", "\xC3\xA9", 0},
  };
  for (const auto& c : cases) {
    String a = c.a, b = c.b;
    int r = TcxWideStringValueType::Class()->ComparePrepared(&a, &b);
    EXPECT_EQ((r > 0) - (r < 0), c.order) << c.a << " / " << c.b;
  }
  String a = "\xF0\x9F\x98\x80", b = "\xEF\xBC\xA1";
  EXPECT_GT(TcxStringValueType::Class()->ComparePrepared(&a, &b), 0);  // byte order differs
}

TEST_F(StorageTest, WideStringsKeepEveryCharacterThroughTheStream) {
  TcxDataStorage st;
  TcxValueDef* w = st.ValueDefs()->Add(TcxWideStringValueType::Class(), true, nullptr, false);
  st.AddRecord();
  const String text = "plain \xE3\x81\x82\xF0\x9F\x98\x80";
  st.SetRecordValue(0, w, text);
  TMemoryStream m;
  st.SaveRecordToStream(0, m);
  m.SetPosition(0);
  st.LoadRecordFromStream(0, m);
  EXPECT_EQ(st.RecordValue(0, w).AsString(), text);
  EXPECT_EQ(st.RecordValue(0, w).VarType(), varOleStr);
}

TEST_F(StorageTest, ObjectColumnsOwnTheirObjects) {
  int freed = 0;
  {
    TcxDataStorage st;
    TcxValueDef* o = st.ValueDefs()->Add(TcxObjectValueType::Class(), true, nullptr, false);
    st.ChangeRecordsCount(3);
    auto* a = new TTracked(&freed);
    st.SetRecordValue(0, o, Int64(reinterpret_cast<intptr_t>(a)));
    st.SetRecordValue(1, o, Int64(reinterpret_cast<intptr_t>(new TTracked(&freed))));
    st.SetRecordValue(2, o, Int64(reinterpret_cast<intptr_t>(new TTracked(&freed))));
    EXPECT_EQ(st.RecordValue(0, o).AsInt64(), reinterpret_cast<intptr_t>(a));
    st.SetRecordValue(0, o, Null());
    EXPECT_EQ(freed, 1);
    TMemoryStream m;
    st.SaveRecordToStream(1, m);
    EXPECT_EQ(m.Size(), 2);  // record marker and value marker, no payload
    m.SetPosition(0);
    st.LoadRecordFromStream(0, m);
    EXPECT_EQ(st.RecordValue(0, o).AsInt64(), 0);  // read back as nil
    st.RemoveRecord(1);
    EXPECT_EQ(freed, 2);
  }
  EXPECT_EQ(freed, 3);
}

TEST_F(StorageTest, RecordLayoutAndIDs) {
  const int ptr = int(sizeof(void*));
  struct Case {
    bool ids, text;
    int size;
  } cases[] = {{true, false, 10}, {true, true, 10 + ptr}, {false, false, 6}, {false, true, 6 + ptr}};
  for (const auto& c : cases) {
    TcxDataStorage st;
    st.SetRecordIDsUsed(c.ids);
    st.ValueDefs()->Add(TcxIntegerValueType::Class(), true, nullptr, c.text);
    EXPECT_EQ(st.ValueDefs()->RecordSize(), c.size) << c.ids << c.text;
  }

  TcxDataStorage st;
  st.SetRecordIDsUsed(true);
  TcxValueDef* def = st.ValueDefs()->Add(TcxIntegerValueType::Class(), true, nullptr, false);
  st.ChangeRecordsCount(3);
  EXPECT_EQ(st.RecordIDOf(0), 1);
  EXPECT_EQ(st.RecordIDOf(1), 2);
  EXPECT_EQ(st.RecordIDOf(2), 3);
  st.InsertRecordAt(1);
  EXPECT_EQ(st.RecordIDOf(1), 4);
  st.ChangeRecordsCount(0);
  st.AddRecord();
  EXPECT_EQ(st.RecordIDOf(0), 1);

  // Loading a record with ID 41 moves the counter past it.
  TcxDataStorage src;
  src.SetRecordIDsUsed(true);
  TcxValueDef* srcDef = src.ValueDefs()->Add(TcxIntegerValueType::Class(), true, nullptr, false);
  src.AddRecord();
  src.AssignRecordID(0, 41);
  src.SetRecordValue(0, srcDef, 5);
  TMemoryStream m;
  src.SaveRecordToStream(0, m);
  m.SetPosition(0);
  st.LoadRecordFromStream(0, m);
  EXPECT_EQ(st.RecordIDOf(0), 41);
  EXPECT_EQ(st.RecordValue(0, def).AsInteger(), 5);
  int added = st.AddRecord();
  EXPECT_EQ(st.RecordIDOf(added), 42);

  // Switching record IDs off releases the buffers; switching on numbers every record anew.
  st.SetRecordIDsUsed(false);
  EXPECT_TRUE(st.RecordValue(0, def).IsNull());
  EXPECT_EQ(st.ValueDefs()->RecordSize(), 6);
  st.SetRecordIDsUsed(true);
  EXPECT_EQ(st.RecordIDOf(0), 43);
  EXPECT_EQ(st.RecordIDOf(1), 44);

  // Indexes outside the records raise the list's index error.
  EXPECT_THROW(st.RecordValue(2, def), EListError);
  EXPECT_THROW(st.SetRecordValue(-7, def, 1), EListError);
  EXPECT_THROW(st.RemoveRecord(5), EListError);
  EXPECT_THROW(st.InsertRecordAt(3), EListError);
  EXPECT_TRUE(st.RecordValue(-7, def).IsNull());  // a free internal slot reads as null
}

TEST_F(StorageTest, InternalRecordsMirrorOrdinaryColumns) {
  TcxDataStorage st;
  TcxValueDef* a = st.ValueDefs()->Add(TcxStringValueType::Class(), true, nullptr, true);
  EXPECT_EQ(st.InternalValueDefs()->DefCount(), 1);
  EXPECT_EQ(st.InternalValueDefs()->FindByMirrored(a)->MirroredDef(), a);
  EXPECT_EQ(st.NewInternalRecord(), -1);
  EXPECT_EQ(st.NewInternalRecord(), -2);
  st.RemoveInternalRecord(-1);
  EXPECT_EQ(st.NewInternalRecord(), -1);
  st.SetRecordValue(-2, a, "internal");
  st.SetRecordText(-2, a, "shown");
  EXPECT_EQ(st.RecordValue(-2, a).AsString(), "internal");
  EXPECT_EQ(st.RecordText(-2, a), "shown");
  EXPECT_EQ(st.RecordValue(-2, st.InternalValueDefs()->DefAt(0)).AsString(), "internal");
  EXPECT_TRUE(st.RecordValue(-1, a).IsNull());
  st.AddRecord();
  st.SetRecordValue(0, a, "ordinary");
  EXPECT_LT(st.CompareRecordsOn(-2, 0, a), 0);  // "internal" < "ordinary"
  EXPECT_GT(st.CompareRecordsOn(0, -2, a), 0);
  EXPECT_LT(st.CompareRecordsOn(-1, 0, a), 0);  // null first
  st.RemoveRecord(-2);
  EXPECT_FALSE(st.HasBuffer(-2));

  int cleared = 0;
  st.OnClearInternalRecords = [&](TcxDataStorage*) { ++cleared; };
  st.ClearInternal();
  EXPECT_EQ(cleared, 1);
  EXPECT_EQ(st.InternalRecordsCount(), 0);
}

TEST_F(StorageTest, TextColumnsPoolEachDistinctTextAndKeepThePoolRight) {
  TcxDataStorage st;
  TcxValueDef* a = st.ValueDefs()->Add(TcxStringValueType::Class(), true, nullptr, false);
  TcxValueDef* n = st.ValueDefs()->Add(TcxIntegerValueType::Class(), true, nullptr, false);
  EXPECT_TRUE(a->IsPooled());
  EXPECT_FALSE(n->IsPooled());
  const String zero("a\0b", 3);
  const Variant values[] = {"b", "a", "b", "", Null(), "\xE3\x81\x82", zero, "b"};
  st.ChangeRecordsCount(int(std::size(values)));
  for (int r = 0; r < int(std::size(values)); ++r) st.SetRecordValue(r, a, values[r]);
  EXPECT_EQ(a->PooledTextCount(), 5) << "b, a, the empty text, the multibyte text, the text with a zero byte";
  // Values read back byte for byte; the empty text is a value, not Null.
  for (int r = 0; r < int(std::size(values)); ++r) {
    Variant v = st.RecordValue(r, a);
    ASSERT_EQ(v.IsNull(), values[r].IsNull()) << r;
    if (!v.IsNull()) {
      EXPECT_EQ(v.AsString(), values[r].AsString()) << r;
    }
  }
  EXPECT_EQ(st.RecordValue(6, a).AsString().size(), 3u);
  EXPECT_EQ(st.CompareRecordsOn(0, 2, a), 0);
  EXPECT_LT(st.CompareRecordsOn(4, 3, a), 0) << "Null before the empty text";

  struct Step {
    const char* what;
    std::function<void()> change;
    int texts;  // distinct texts after the change
  };
  const Step steps[] = {
      {"an edit to a new text", [&] { st.SetRecordValue(0, a, "c"); }, 6},
      {"an edit to the same text", [&] { st.SetRecordValue(1, a, "a"); }, 6},
      {"the last holders of b change", [&] { st.SetRecordValue(2, a, "a"); st.SetRecordValue(7, a, "c"); }, 5},
      {"a value made Null", [&] { st.SetRecordValue(6, a, Null()); }, 4},
      {"the record with the empty text deleted", [&] { st.RemoveRecord(3); }, 3},
      {"a record inserted with a new text", [&] { st.InsertRecordAt(0); st.SetRecordValue(0, a, "z"); }, 4},
      {"another column removed", [&] { delete n; }, 4},
      {"every record cleared", [&] { st.ClearAll(); }, 0},
  };
  for (const Step& step : steps) {
    step.change();
    EXPECT_EQ(a->PooledTextCount(), step.texts) << step.what;
  }
}

TEST_F(StorageTest, PooledTextsRankInTheirTypesOrderAndSurviveTheStream) {
  // U+FF21 before U+1F600 in UTF-8 bytes, after it in UTF-16 units.
  const String fullwidth = "\xEF\xBC\xA1", emoji = "\xF0\x9F\x98\x80";
  for (TcxValueTypeClass type : {TcxStringValueType::Class(), TcxWideStringValueType::Class()}) {
    SCOPED_TRACE(type->Caption());
    TcxDataStorage st;
    TcxValueDef* a = st.ValueDefs()->Add(type, true, nullptr, false);
    st.ChangeRecordsCount(3);
    st.SetRecordValue(0, a, emoji);
    st.SetRecordValue(1, a, fullwidth);
    st.SetRecordValue(2, a, emoji);
    auto rank = [&](int r) {
      const void* p = nullptr;
      EXPECT_FALSE(st.PreparedValueOf(r, a, p));
      return static_cast<const TcxPooledText*>(p)->Rank;
    };
    a->RankPooledTexts();
    bool wide = type == TcxWideStringValueType::Class();
    EXPECT_EQ(rank(0), wide ? 1u : 2u);
    EXPECT_EQ(rank(1), wide ? 2u : 1u);
    EXPECT_EQ(rank(2), rank(0));
    // A text added after the ranking is ranked on the next call, before the others.
    st.AddRecord();
    st.SetRecordValue(3, a, "0");
    a->RankPooledTexts();
    EXPECT_EQ(rank(3), 1u);
    EXPECT_EQ(rank(0), wide ? 2u : 3u);

    TMemoryStream m;
    st.SaveRecordToStream(0, m);
    m.SetPosition(0);
    st.LoadRecordFromStream(3, m);
    EXPECT_EQ(st.RecordValue(3, a).AsString(), emoji);
    EXPECT_EQ(a->PooledTextCount(), 2) << "the read text joins its pooled twin";
  }
}

TEST_F(StorageTest, AddingAndRemovingColumnsReshapesRecords) {
  TcxDataStorage st;
  TcxValueDef* a = st.ValueDefs()->Add(TcxIntegerValueType::Class(), true, nullptr, false);
  st.ChangeRecordsCount(2);
  st.SetRecordValue(0, a, 1);
  int internal = st.NewInternalRecord();
  st.SetRecordValue(internal, a, 9);
  TcxValueDef* b = st.ValueDefs()->Add(TcxStringValueType::Class(), true, nullptr, true);
  EXPECT_TRUE(st.RecordValue(0, b).IsNull());
  EXPECT_EQ(st.RecordValue(0, a).AsInteger(), 1);
  EXPECT_EQ(st.RecordValue(internal, a).AsInteger(), 9);
  st.SetRecordValue(0, b, "text");
  st.SetRecordText(0, b, "T");
  TcxValueDef* c = st.ValueDefs()->Add(TcxFloatValueType::Class(), true, nullptr, false);
  st.SetRecordValue(0, c, 2.5);

  delete a;  // the middle of the record moves down
  EXPECT_EQ(st.ValueDefs()->DefCount(), 2);
  EXPECT_EQ(st.InternalValueDefs()->DefCount(), 2);
  EXPECT_EQ(st.RecordValue(0, b).AsString(), "text");
  EXPECT_EQ(st.RecordText(0, b), "T");
  EXPECT_EQ(st.RecordValue(0, c).AsDouble(), 2.5);

  // Settings take effect at once and keep the values.
  b->SetHoldsText(false);
  EXPECT_EQ(st.RecordText(0, b), "text");
  EXPECT_EQ(st.RecordValue(0, c).AsDouble(), 2.5);
  b->SetHoldsText(true);
  EXPECT_EQ(st.RecordText(0, b), "");
  EXPECT_EQ(st.RecordValue(0, b).AsString(), "text");

  delete c;
  delete b;  // the only column in the record: buffers go, records stay
  EXPECT_EQ(st.RecordsCount(), 2);
  EXPECT_FALSE(st.HasBuffer(0));
  EXPECT_EQ(st.InternalValueDefs()->DefCount(), 0);
}

TEST_F(StorageTest, InRecordValuesOnly) {
  TcxDataStorage st;
  TcxValueDef* a = st.ValueDefs()->Add(TcxIntegerValueType::Class(), true, nullptr, false);
  TcxValueDef* b = st.ValueDefs()->Add(TcxIntegerValueType::Class(), false, nullptr, true);
  EXPECT_TRUE(b->IsInRecord());  // the setting is off: every column is in the record
  EXPECT_EQ(st.ValueDefs()->InRecordCount(), 2);
  st.AddRecord();
  st.SetRecordValue(0, a, 1);
  st.SetInRecordValuesOnly(true);
  EXPECT_FALSE(b->IsInRecord());
  EXPECT_FALSE(b->HoldsText());
  EXPECT_EQ(st.ValueDefs()->RecordSize(), 6);
  EXPECT_TRUE(st.RecordValue(0, a).IsNull());
  st.SetRecordValue(0, b, 5);  // nowhere to keep it
  EXPECT_TRUE(st.RecordValue(0, b).IsNull());
  st.SetRecordValue(0, a, 3);
  EXPECT_EQ(st.RecordValue(0, a).AsInteger(), 3);
  // Internal records keep every column, so their layout differs from the ordinary one.
  int in = st.NewInternalRecord();
  st.SetRecordValue(in, b, 5);
  st.SetRecordValue(in, a, 3);
  EXPECT_EQ(st.RecordValue(in, b).AsInteger(), 5);
  EXPECT_EQ(st.CompareRecordsOn(in, 0, a), 0);
  st.SetRecordValue(in, a, 4);
  EXPECT_GT(st.CompareRecordsOn(in, 0, a), 0);
}

// A reader giving "value N" and text "text N" for column N, skipping column 1.
class TTestReader : public TcxValueDefReader {
 public:
  explicit TTestReader(TcxDataStorage* st) : st_(st) {}
  String ReadDisplayText(TcxValueDef* def) override { return "text " + IntToStr(st_->ValueDefs()->IndexOf(def)); }
  Variant ReadValue(TcxValueDef* def) override {
    int i = st_->ValueDefs()->IndexOf(def);
    if (def->ValueType() == TcxIntegerValueType::Class()) return i;
    return "value " + IntToStr(i);
  }
  bool IsSkipped(TcxValueDef* def) override { return st_->ValueDefs()->IndexOf(def) == 1; }

 private:
  TcxDataStorage* st_;
};

TEST_F(StorageTest, RecordStreamAndReaders) {
  TcxDataStorage st;
  st.SetRecordIDsUsed(true);
  TcxValueDef* d0 = st.ValueDefs()->Add(TcxStringValueType::Class(), true, nullptr, true);
  TcxValueDef* d1 = st.ValueDefs()->Add(TcxStringValueType::Class(), true, nullptr, false);
  TcxValueDef* d2 = st.ValueDefs()->Add(TcxIntegerValueType::Class(), true, nullptr, false);
  d2->SetStreamed(false);
  st.ChangeRecordsCount(2);
  TTestReader reader(&st);
  st.LoadRecordFromReader(0, &reader);
  EXPECT_EQ(st.RecordValue(0, d0).AsString(), "value 0");
  EXPECT_EQ(st.RecordText(0, d0), "text 0");
  EXPECT_TRUE(st.RecordValue(0, d1).IsNull());
  EXPECT_EQ(st.RecordValue(0, d2).AsInteger(), 2);

  int visited = 0;
  st.ForEachValueDefOf(0, &visited, [](TObject*, TcxValueDef*, int, TcxValueDefReader*, void* arg) {
    ++*static_cast<int*>(arg);
  }, nullptr, nullptr);
  EXPECT_EQ(visited, 3);

  // A nil record writes the single byte 1.
  TcxDataStorage plain;
  plain.ValueDefs()->Add(TcxIntegerValueType::Class(), true, nullptr, false);
  plain.AddRecord();
  TMemoryStream nil;
  plain.SaveRecordToStream(0, nil);
  EXPECT_EQ(nil.Size(), 1);
  EXPECT_EQ(static_cast<const Byte*>(nil.Memory())[0], 1);

  // Record 0: marker, ID, d0 (null byte, payload, text), d1 (null). d2 is not streamed.
  TMemoryStream m;
  st.SaveRecordToStream(0, m);
  EXPECT_EQ(m.Size(), 1 + 4 + (1 + 4 + 7 + 4 + 6) + 1);
  // Streaming order puts d1 before d0.
  st.StartStreaming([&](const TcxValueDef* x, const TcxValueDef* y) { return x == d1 && y != d1; });
  EXPECT_EQ(st.ValueDefs()->DefAt(0), d1);
  TMemoryStream ordered;
  st.SaveRecordToStream(0, ordered);
  st.FinishStreaming();
  EXPECT_EQ(static_cast<const Byte*>(ordered.Memory())[5], 1);  // d1's null marker first
  EXPECT_EQ(st.ValueDefs()->DefAt(0), d0);

  m.SetPosition(0);
  st.LoadRecordFromStream(1, m);
  EXPECT_EQ(st.RecordValue(1, d0).AsString(), "value 0");
  EXPECT_EQ(st.RecordText(1, d0), "text 0");
  EXPECT_EQ(st.RecordIDOf(1), st.RecordIDOf(0));
  EXPECT_TRUE(st.RecordValue(1, d2).IsNull());

  // A truncated record stream raises the read error.
  TMemoryStream cut;
  cut.CopyFrom(&m, 0);
  cut.SetSize(cut.Size() - 3);
  cut.SetPosition(0);
  EXPECT_THROW(st.LoadRecordFromStream(1, cut), EReadError);
}

TEST_F(StorageTest, LookupList) {
  TcxLookupList list;
  int index = -1;
  for (int v : {5, 1, 3}) {
    EXPECT_FALSE(list.Locate(v, index));
    list.InsertAt(index, v, "t" + IntToStr(v));
  }
  EXPECT_EQ(list.ItemAt(0).Value.AsInteger(), 1);
  EXPECT_EQ(list.ItemAt(2).DisplayText, "t5");
  EXPECT_TRUE(list.Locate(3, index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(list.Locate(4, index));
  EXPECT_EQ(index, 2);
  list.RemoveAll();
  EXPECT_EQ(list.Count(), 0);
}

TEST(Bcd, TextAndOrder) {
  struct Case {
    const char* a;
    const char* b;
    int order;
  } cases[] = {{"1.5", "1.50", 0}, {"-2", "1", -1}, {"10", "9.99", 1}, {"-10", "-9", -1},
               {"0", "-0", 0},     {"0.001", "0.01", -1}, {"123456789012345678901234567890", "1e0", 0}};
  for (const auto& c : cases) {
    if (String(c.b) == "1e0") {
      EXPECT_EQ(BcdToStr(StrToBcd(c.a)), c.a);
      continue;
    }
    int r = BcdCompare(StrToBcd(c.a), StrToBcd(c.b));
    EXPECT_EQ((r > 0) - (r < 0), c.order) << c.a << " vs " << c.b;
  }
  EXPECT_THROW(StrToBcd("12a"), EConvertError);
  EXPECT_THROW(StrToBcd(""), EConvertError);
  EXPECT_EQ(BcdToStr(DoubleToBcd(-0.25)), "-0.25");
}

}  // namespace

namespace {

// Damaged record streams load or raise a library exception, never crash or over-allocate.
TEST_F(StorageTest, DamagedRecordStreamsNeverCrash) {
  auto MakeStorage = [](TcxDataStorage& st) {
    st.SetRecordIDsUsed(true);
    st.ValueDefs()->Add(TcxStringValueType::Class(), true, nullptr, true);
    st.ValueDefs()->Add(TcxWideStringValueType::Class(), true, nullptr, false);
    st.ValueDefs()->Add(TcxVariantValueType::Class(), true, nullptr, false);
    st.ValueDefs()->Add(TcxFloatValueType::Class(), true, nullptr, false);
    st.ValueDefs()->Add(TcxFMTBcdValueType::Class(), true, nullptr, false);
    st.ChangeRecordsCount(2);
  };
  TcxDataStorage src;
  MakeStorage(src);
  for (int i = 0; i < src.ValueDefs()->DefCount(); ++i) {
    TcxValueDef* d = src.ValueDefs()->DefAt(i);
    src.SetRecordValue(0, d, i == 2 ? Variant(VarArrayOf({1, "x"})) : Variant("12.5"));
  }
  src.SetRecordText(0, src.ValueDefs()->DefAt(0), "shown");
  TMemoryStream m;
  src.SaveRecordToStream(0, m);
  src.SaveRecordToStream(1, m);
  const Byte* bytes = static_cast<const Byte*>(m.Memory());
  std::mt19937 rng(5);
  int raised = 0;
  for (int round = 0; round < 2000; ++round) {
    std::vector<Byte> b(bytes, bytes + m.Size());
    for (int f = 0; f < 3; ++f) b[rng() % b.size()] = Byte(rng());
    TMemoryStream damaged;
    damaged.WriteBuffer(b.data(), Int64(b.size()));
    damaged.SetPosition(0);
    TcxDataStorage st;
    MakeStorage(st);
    try {
      st.LoadRecordFromStream(0, damaged);
      st.LoadRecordFromStream(1, damaged);
      for (int i = 0; i < st.ValueDefs()->DefCount(); ++i) st.RecordText(0, st.ValueDefs()->DefAt(i));
    } catch (const Exception&) {
      ++raised;
    }
  }
  EXPECT_GT(raised, 0);
}

}  // namespace
