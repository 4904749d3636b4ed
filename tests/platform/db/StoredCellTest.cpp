// Reading a field's stored value as a typed cell (the data-set controller's load path): the
// cell matches the field's value, and the data set refuses where its fields' values are not
// the stored ones.
#include <gtest/gtest.h>

#include "db/MemDataSet.h"

namespace {

TEST(StoredCell, GivesTheStoredValuesOfDataFields) {
  TMemDataSet ds(nullptr);
  ds.AddFieldDef("n", ftInteger);
  ds.AddFieldDef("x", ftFloat);
  ds.AddFieldDef("d", ftDateTime);
  ds.AddFieldDef("s", ftString, 10);
  ds.AppendRow({-7, 2.5, VarFromDateTime(45000.25), String("a\0b", 3)});
  ds.AppendRow({Null(), Null(), Null(), ""});
  ds.Open();
  struct Case {
    const char* field;
    TStoredCell::TKind kind[2];  // in the two records
  };
  const Case cases[] = {
      {"n", {TStoredCell::Int, TStoredCell::Null}},
      {"x", {TStoredCell::Float, TStoredCell::Null}},
      {"d", {TStoredCell::Float, TStoredCell::Null}},
      {"s", {TStoredCell::Text, TStoredCell::Text}},
  };
  for (int r = 0; r < 2; ++r) {
    for (const Case& c : cases) {
      TField* f = ds.FieldByName(c.field);
      TStoredCell cell;
      ASSERT_TRUE(ds.ReadStoredCell(f, cell)) << c.field;
      EXPECT_EQ(cell.Kind, c.kind[r]) << c.field << r;
      Variant v = f->Value();
      switch (cell.Kind) {
        case TStoredCell::Null: EXPECT_TRUE(v.IsNull()) << c.field; break;
        case TStoredCell::Int: EXPECT_EQ(cell.IntValue, v.AsInt64()) << c.field; break;
        case TStoredCell::Float: EXPECT_EQ(cell.FloatValue, v.AsDouble()) << c.field; break;
        case TStoredCell::Text: EXPECT_EQ(String(cell.TextValue), v.IsNull() ? String() : v.AsString()) << c.field; break;
      }
    }
    ds.Next();
  }
}

TEST(StoredCell, RefusedForEditedRecordsCalculatedFieldsAndOtherDataSets) {
  TMemDataSet ds(nullptr), other(nullptr);
  ds.AddFieldDef("n", ftInteger);
  ds.AppendRow({1});
  other.AddFieldDef("n", ftInteger);
  other.AppendRow({2});
  other.Open();
  TIntegerField n(&ds);
  n.SetFieldName("n");
  n.SetDataSet(&ds);
  TIntegerField twice(&ds);
  twice.SetFieldName("twice");
  twice.SetFieldKind(fkCalculated);
  twice.SetDataSet(&ds);
  ds.OnCalcFields = [&](TDataSet*) { twice.SetAsInteger(n.AsInteger() * 2); };
  ds.Open();
  TStoredCell cell;
  EXPECT_TRUE(ds.ReadStoredCell(&n, cell));
  EXPECT_FALSE(ds.ReadStoredCell(&twice, cell)) << "a calculated value is not stored";
  EXPECT_FALSE(other.ReadStoredCell(&n, cell)) << "a field of another data set";
  ds.Edit();
  n.SetAsInteger(5);
  EXPECT_FALSE(ds.ReadStoredCell(&n, cell)) << "the edited value is not the stored one yet";
  ds.Cancel();
  EXPECT_TRUE(ds.ReadStoredCell(&n, cell));
  EXPECT_EQ(cell.IntValue, 1);
}

}  // namespace
