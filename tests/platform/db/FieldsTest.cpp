// The field family: the classes made for each type, their values, texts, defaults and
// conversions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/MemDataSet.h"
#include "rtl/SysUtils.h"

namespace {

struct FieldCase {
  TFieldType type;
  Variant stored;
  const char* className;
  TVarType varType;
  const char* displayText;
  const char* editText;
  TAlignment alignment;
  Integer width;
};

TEST(Fields, ClassesValuesTextsAndDefaultsByType) {
  const TDateTime when = EncodeDate(2024, 3, 31) + EncodeTime(13, 45, 0, 0);
  const FieldCase cases[] = {
      {ftString, "abc", "TStringField", varString, "abc", "abc", taLeftJustify, 20},
      {ftWideString, "日本", "TWideStringField", varString, "日本", "日本", taLeftJustify, 20},
      {ftSmallint, -12, "TSmallintField", varInteger, "-12", "-12", taRightJustify, 6},
      {ftInteger, 123456, "TIntegerField", varInteger, "123456", "123456", taRightJustify, 11},
      {ftWord, 65535, "TWordField", varInteger, "65535", "65535", taRightJustify, 5},
      {ftAutoInc, 7, "TAutoIncField", varInteger, "7", "7", taRightJustify, 11},
      {ftLargeint, Int64(1) << 40, "TLargeintField", varInt64, "1099511627776", "1099511627776", taRightJustify, 15},
      {ftBoolean, true, "TBooleanField", varBoolean, "True", "True", taLeftJustify, 5},
      {ftFloat, 1.5, "TFloatField", varDouble, "1.5", "1.5", taRightJustify, 10},
      {ftCurrency, 1234.5, "TCurrencyField", varDouble, "$1,234.50", "1234.50", taRightJustify, 10},
      {ftBCD, 2.25, "TBCDField", varCurrency, "2.25", "2.25", taRightJustify, 10},
      {ftDate, VarFromDateTime(EncodeDate(2024, 3, 31)), "TDateField", varDate, "3/31/2024", "3/31/2024", taLeftJustify, 10},
      {ftDateTime, VarFromDateTime(when), "TDateTimeField", varDate, "3/31/2024 1:45:00 PM", "3/31/2024 1:45:00 PM",
       taLeftJustify, 18},
      {ftMemo, "long text", "TMemoField", varString, "(MEMO)", "(MEMO)", taLeftJustify, 10},
      {ftBlob, "\x01\x02", "TBlobField", varString, "(BLOB)", "(BLOB)", taLeftJustify, 10},
  };
  for (const FieldCase& c : cases) {
    SCOPED_TRACE(FieldTypeName(c.type));
    TMemDataSet ds(nullptr);
    ds.AddFieldDef("f", c.type, c.type == ftString || c.type == ftWideString ? 20 : 0);
    ds.AppendRow({c.stored});
    ds.AppendRow({Null()});
    ds.Open();
    TField* f = ds.Fields()->Fields(0);
    EXPECT_EQ(f->ClassName(), c.className);
    EXPECT_EQ(f->DataType(), c.type);
    EXPECT_EQ(VarType(f->Value()), c.varType);
    EXPECT_EQ(f->DisplayText(), c.displayText);
    EXPECT_EQ(f->Text(), c.editText);
    EXPECT_EQ(f->Alignment(), c.alignment);
    EXPECT_EQ(f->DisplayWidth(), c.width);
    EXPECT_EQ(f->DisplayLabel(), "f");
    EXPECT_EQ(f->FieldNo(), 1);
    EXPECT_EQ(f->FieldKind(), fkData);
    EXPECT_EQ(f->IsBlob(), c.type == ftMemo || c.type == ftBlob);
    ds.Next();
    EXPECT_TRUE(f->IsNull());
    EXPECT_TRUE(VarIsNull(f->Value()));
    EXPECT_EQ(f->DisplayText(), "");
    EXPECT_EQ(f->AsInteger(), 0);
  }
}

TEST(Fields, FormatsLabelsAndTextHandlers) {
  TMemDataSet ds(nullptr);
  ds.AddFieldDef("amount", ftFloat);
  ds.AddFieldDef("flag", ftBoolean);
  ds.AddFieldDef("day", ftDateTime);
  ds.AppendRow({9999999.5555, false, VarFromDateTime(EncodeDate(2024, 1, 2))});
  ds.Open();
  auto* amount = static_cast<TFloatField*>(ds.FieldByName("amount"));
  amount->SetDisplayFormat("#,##0.00");
  EXPECT_EQ(amount->DisplayText(), "9,999,999.56");
  // Without an edit format the edit text uses the display format too.
  EXPECT_EQ(amount->Text(), "9,999,999.56");
  amount->SetEditFormat("0.0");
  EXPECT_EQ(amount->Text(), "9999999.6");
  EXPECT_EQ(amount->DisplayText(), "9,999,999.56");
  amount->SetDisplayLabel("Amount (USD)");
  EXPECT_EQ(amount->DisplayName(), "Amount (USD)");
  amount->SetDisplayWidth(4);
  EXPECT_EQ(amount->DisplayWidth(), 4);

  auto* flag = static_cast<TBooleanField*>(ds.FieldByName("flag"));
  flag->SetDisplayValues("Yes;No");
  EXPECT_EQ(flag->DisplayText(), "No");
  EXPECT_THROW(flag->SetDisplayValues(";"), EDatabaseError);

  auto* day = static_cast<TDateTimeField*>(ds.FieldByName("day"));
  day->SetDisplayFormat("yyyy-mm-dd");
  EXPECT_EQ(day->DisplayText(), "2024-01-02");
  EXPECT_EQ(day->Text(), "1/2/2024");

  String seen;
  amount->OnGetText = [](TField*, String& text, bool display) { text = display ? "shown" : "edited"; };
  amount->OnSetText = [&](TField* f, const String& text) { seen = text; f->SetAsFloat(1); };
  EXPECT_EQ(amount->DisplayText(), "shown");
  EXPECT_EQ(amount->Text(), "edited");
  ds.Edit();
  amount->SetText("typed");
  EXPECT_EQ(seen, "typed");
  EXPECT_EQ(amount->AsFloat(), 1.0);
  ds.Cancel();
}

TEST(Fields, SettingTextsAndValuesConvertsOrRefuses) {
  TMemDataSet ds(nullptr);
  ds.AddFieldDef("i", ftInteger);
  ds.AddFieldDef("s", ftSmallint);
  ds.AddFieldDef("f", ftFloat);
  ds.AddFieldDef("b", ftBoolean);
  ds.AddFieldDef("d", ftDateTime);
  ds.AddFieldDef("t", ftString, 10);
  ds.AppendRow({});
  ds.Open();
  ds.Edit();
  struct Case {
    const char* field;
    const char* text;
    bool ok;
    const char* shown;  // the field's text afterwards
  } cases[] = {
      {"i", " 42 ", true, "42"},
      {"i", "4.5", false, "42"},
      {"i", "abc", false, "42"},
      {"i", "", true, ""},
      {"s", "40000", false, ""},
      {"s", "-300", true, "-300"},
      {"f", "2.5e3", true, "2500"},
      {"f", "x1", false, "2500"},
      {"b", "y", false, ""},
      {"b", "t", true, "True"},
      {"b", "FALSE", true, "False"},
      {"d", "12/24/2023 10:30:00 PM", true, "12/24/2023 10:30:00 PM"},
      {"d", "24.12.2023", false, "12/24/2023 10:30:00 PM"},
      {"t", "free text", true, "free text"},
  };
  for (const Case& c : cases) {
    TField* f = ds.FieldByName(c.field);
    if (c.ok) { EXPECT_NO_THROW(f->SetText(c.text)) << c.field << " " << c.text; }
    else EXPECT_THROW(f->SetText(c.text), Exception) << c.field << " " << c.text;
    EXPECT_EQ(f->Text(), c.shown) << c.field << " " << c.text;
  }
  // Values of other types convert to the field's own.
  ds.FieldByName("i")->SetValue("17");
  EXPECT_EQ(VarType(ds.FieldByName("i")->Value()), varInteger);
  ds.FieldByName("t")->SetValue(3.5);
  EXPECT_EQ(ds.FieldByName("t")->AsString(), "3.5");
  ds.FieldByName("f")->SetAsInteger(3);
  EXPECT_EQ(VarType(ds.FieldByName("f")->Value()), varDouble);
  ds.FieldByName("t")->SetReadOnly(true);
  EXPECT_THROW(ds.FieldByName("t")->SetAsString("no"), EDatabaseError);
  ds.Post();
  EXPECT_EQ(ds.FieldByName("i")->AsInteger(), 17);
  EXPECT_EQ(ds.FieldByName("s")->AsInteger(), -300);
}

TEST(Fields, OwnershipAndFieldDefinitions) {
  TMemDataSet ds(nullptr);
  ds.AddFieldDef("a", ftInteger);
  ds.AddFieldDef("b", ftMemo);
  EXPECT_THROW(ds.AddFieldDef("A", ftString), EDatabaseError);
  ds.Open();
  EXPECT_EQ(ds.FieldDefs()->Count(), 2);
  EXPECT_EQ(ds.FieldDefs()->Find("B")->DataType(), ftMemo);
  EXPECT_THROW(ds.FieldDefs()->Find("c"), EDatabaseError);
  EXPECT_THROW(ds.FieldByName("a")->SetFieldName("x"), EDatabaseError);
  EXPECT_THROW(ds.AddFieldDef("c", ftInteger), EDatabaseError);
  ds.Close();

  // A persistent field destroyed before its data set leaves the list.
  auto* f = new TIntegerField(nullptr);
  f->SetFieldName("a");
  f->SetDataSet(&ds);
  EXPECT_EQ(ds.FieldCount(), 1);
  delete f;
  EXPECT_EQ(ds.FieldCount(), 0);
  ds.Open();
  EXPECT_EQ(ds.FieldCount(), 2);

  // A field owned by a data set that is destroyed first goes with it; one owned elsewhere
  // survives, detached.
  TComponent owner(nullptr);
  auto* other = new TMemDataSet(nullptr);
  other->AddFieldDef("a", ftInteger);
  auto* kept = new TIntegerField(&owner);
  kept->SetFieldName("a");
  kept->SetDataSet(other);
  other->Open();
  delete other;
  EXPECT_EQ(kept->DataSet(), nullptr);
  EXPECT_TRUE(kept->IsNull());
}

// Wide field lists are searched through an index of names: it follows additions, renames
// and removals, and ignores case as the direct comparison does.
TEST(Fields, FindFieldInWideListFollowsRenamesAndRemovals) {
  TMemDataSet ds(nullptr);
  std::vector<TField*> fields;
  for (int i = 0; i < 12; ++i) {
    auto* f = new TIntegerField(&ds);
    f->SetFieldName("Field " + std::to_string(i));
    f->SetDataSet(&ds);
    fields.push_back(f);
  }
  fields[5]->SetFieldName("Ärger");
  EXPECT_EQ(ds.FindField("field 3"), fields[3]);
  EXPECT_EQ(ds.FindField("äRGER"), fields[5]);
  EXPECT_EQ(ds.FindField("Field 5"), nullptr);
  EXPECT_THROW(fields[4]->SetFieldName("FIELD 3"), EDatabaseError);
  fields[3]->SetFieldName("Renamed");
  EXPECT_EQ(ds.FindField("Field 3"), nullptr);
  EXPECT_EQ(ds.FindField("RENAMED"), fields[3]);
  fields[4]->SetFieldName("Field 3");
  EXPECT_EQ(ds.FindField("field 3"), fields[4]);
  delete fields[7];
  EXPECT_EQ(ds.FindField("Field 7"), nullptr);
  EXPECT_EQ(ds.FindField("Field 8"), fields[8]);
  auto* late = new TIntegerField(&ds);
  late->SetFieldName("Field 7");
  late->SetDataSet(&ds);
  EXPECT_EQ(ds.FindField("field 7"), late);
}

}  // namespace

namespace {

// Typed characters each field class takes; non-ASCII code points go only into text fields.
TEST(Fields, ValidCharactersByClass) {
  struct Case {
    TFieldType type;
    const char32_t* valid;
    const char32_t* invalid;
  } cases[] = {
      {ftString, U"a1.-é日", U""},
      {ftInteger, U"0123456789+-", U".eé a"},
      {ftFloat, U"09+-.eE", U",xé "},
      {ftBCD, U"09+-.", U"eE,é"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(FieldTypeName(c.type));
    TMemDataSet ds(nullptr);
    ds.AddFieldDef("f", c.type, c.type == ftString ? 5 : 0);
    ds.Open();
    TField* f = ds.Fields()->Fields(0);
    for (const char32_t* p = c.valid; *p; ++p) EXPECT_TRUE(f->IsValidChar(*p)) << uint32_t(*p);
    for (const char32_t* p = c.invalid; *p; ++p) EXPECT_FALSE(f->IsValidChar(*p)) << uint32_t(*p);
  }
}

}  // namespace
