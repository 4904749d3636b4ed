// The data-set field's editor defaults and the default editor per field.
#include <gtest/gtest.h>

#include "db/MemDataSet.h"
#include "editors-extra/cxCurrencyEdit.h"
#include "editors-extra/cxDBEdit.h"
#include "editors-extra/cxEditDBRegisteredRepositoryItems.h"
#include "editors/cxEditRepositoryItems.h"

namespace {

// A data set with persistent fields of the given classes, opened or not.
struct FieldFixture {
  TMemDataSet ds{nullptr};
  TDataSource source{nullptr};
  TcxCustomDBEditDefaultValuesProvider provider{nullptr};

  template <class F>
  F* Add(const char* name, TFieldType type, Integer size = 0) {
    ds.AddFieldDef(name, type, size);
    auto* f = new F(&ds);
    f->SetFieldName(name);
    if (size) f->SetSize(size);
    f->SetDataSet(&ds);
    return f;
  }
  void Bind(TField* f) {
    source.SetDataSet(&ds);
    provider.SetDataSource(&source);
    provider.SetField(f);
  }
};

TEST(DBEditDefaults, AnswersWithAndWithoutData) {
  FieldFixture x;
  auto* s = x.Add<TStringField>("s", ftString, 20);
  s->SetReadOnly(true);
  s->SetRequired(true);
  s->SetEditMask("000");
  x.Bind(s);
  // Closed: the neutral answers, with no BLOB kind.
  EXPECT_FALSE(x.provider.IsDataAvailable());
  EXPECT_EQ(x.provider.DefaultMaxLength(), 0);
  EXPECT_EQ(x.provider.DefaultBlobKind(), 0);
  EXPECT_FALSE(x.provider.DefaultReadOnly());
  EXPECT_FALSE(x.provider.DefaultCanModify());
  EXPECT_EQ(x.provider.DefaultEditMask(), "");
  EXPECT_TRUE(x.provider.IsValidChar(U'x'));
  EXPECT_TRUE(x.provider.IsDataStorage());
  x.ds.Open();
  EXPECT_TRUE(x.provider.IsDataAvailable());
  EXPECT_EQ(x.provider.DefaultMaxLength(), 20);
  EXPECT_TRUE(x.provider.DefaultReadOnly());
  EXPECT_TRUE(x.provider.DefaultRequired());
  EXPECT_FALSE(x.provider.DefaultCanModify());
  EXPECT_EQ(x.provider.DefaultEditMask(), "000");
  EXPECT_EQ(x.provider.DefaultAlignment(), taLeftJustify);
  EXPECT_FALSE(x.provider.DefaultIsFloatValue());
}

TEST(DBEditDefaults, NumericRangesPrecisionAndCurrency) {
  FieldFixture x;
  auto* i = x.Add<TIntegerField>("i", ftInteger);
  auto* f = x.Add<TFloatField>("f", ftFloat);
  auto* b = x.Add<TBCDField>("b", ftBCD);
  i->SetMinValue(-5);
  i->SetMaxValue(99);
  f->SetMaxValue(1234.5678);
  f->SetMinValue(-0.123456);
  f->SetPrecision(5);
  b->SetMaxValue(Currency(12.3456));
  b->SetPrecision(9);
  b->SetCurrency(true);
  x.ds.Open();
  struct Case {
    TField* field;
    double min, max;
    Integer precision;
    bool isFloat, currency, formatWithCurrency, formatWithout;
  } cases[] = {
      {i, -5, 99, 15, false, false, false, false},
      {f, -0.12346, 1234.6, 5, true, false, false, false},
      {b, 0, 12.3456, 9, true, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field->FieldName());
    x.Bind(c.field);
    EXPECT_DOUBLE_EQ(x.provider.DefaultMinValue(), c.min);
    EXPECT_DOUBLE_EQ(x.provider.DefaultMaxValue(), c.max);
    EXPECT_EQ(x.provider.DefaultPrecision(), c.precision);
    EXPECT_EQ(x.provider.DefaultIsFloatValue(), c.isFloat);
    EXPECT_EQ(x.provider.IsCurrency(), c.currency);
    EXPECT_EQ(x.provider.IsDisplayFormatDefined(true), c.formatWithCurrency);
    EXPECT_EQ(x.provider.IsDisplayFormatDefined(false), c.formatWithout);
    EXPECT_EQ(x.provider.DefaultAlignment(), taRightJustify);
  }
  // Typed characters: the numeric field's own set.
  x.Bind(i);
  EXPECT_TRUE(x.provider.IsValidChar(U'7'));
  EXPECT_FALSE(x.provider.IsValidChar(U'.'));
  EXPECT_FALSE(x.provider.IsValidChar(U'é'));
  x.Bind(f);
  EXPECT_TRUE(x.provider.IsValidChar(U'e'));
  // Display and edit formats of a numeric field.
  i->SetDisplayFormat("#,##0");
  i->SetEditFormat("0");
  x.Bind(i);
  EXPECT_EQ(x.provider.DefaultDisplayFormat(), "#,##0");
  EXPECT_EQ(x.provider.DefaultEditFormat(), "0");
  EXPECT_TRUE(x.provider.IsDisplayFormatDefined(false));
  EXPECT_FALSE(x.provider.IsNonNumericDisplayFormatDefined());
}

TEST(DBEditDefaults, TextHandlersBlobKindsAndDateFormats) {
  FieldFixture x;
  auto* s = x.Add<TStringField>("s", ftString, 10);
  auto* m = x.Add<TMemoField>("m", ftMemo);
  auto* g = x.Add<TGraphicField>("g", ftGraphic);
  auto* d = x.Add<TDateTimeField>("d", ftDateTime);
  x.ds.Open();
  x.Bind(s);
  EXPECT_FALSE(x.provider.IsNonNumericDisplayFormatDefined());
  s->OnGetText = [](TField*, String&, bool) {};
  s->OnSetText = [](TField*, const String&) {};
  EXPECT_TRUE(x.provider.IsNonNumericDisplayFormatDefined());
  EXPECT_TRUE(x.provider.IsOnSetTextAssigned());
  EXPECT_TRUE(x.provider.DefaultCanModify());
  x.Bind(m);
  EXPECT_EQ(x.provider.DefaultBlobKind(), 3);
  EXPECT_TRUE(x.provider.IsBlob());
  x.Bind(g);
  EXPECT_EQ(x.provider.DefaultBlobKind(), 2);
  x.Bind(d);
  EXPECT_FALSE(x.provider.IsDisplayFormatDefined(true));
  d->SetDisplayFormat("yyyy");
  EXPECT_TRUE(x.provider.IsNonNumericDisplayFormatDefined());
}

TEST(DBEditDefaults, EditModeFollowsTheDataSource) {
  FieldFixture x;
  auto* s = x.Add<TStringField>("s", ftString, 10);
  x.ds.AppendRow({"a"});
  EXPECT_FALSE(x.provider.CanSetEditMode());  // no data source
  x.Bind(s);
  x.source.SetAutoEdit(false);
  x.ds.Open();
  EXPECT_FALSE(x.provider.CanSetEditMode());
  x.ds.Edit();
  EXPECT_TRUE(x.provider.CanSetEditMode());
  x.ds.Cancel();
  x.source.SetAutoEdit(true);
  EXPECT_TRUE(x.provider.CanSetEditMode());
}

TEST(DBEditDefaults, FreedFieldAndDataSourceAreForgotten) {
  FieldFixture x;
  auto* s = x.Add<TStringField>("s", ftString, 20);
  x.ds.Open();
  x.Bind(s);
  EXPECT_EQ(x.provider.DefaultMaxLength(), 20);
  x.ds.Close();
  delete s;
  EXPECT_EQ(x.provider.Field(), nullptr);
  EXPECT_FALSE(x.provider.IsDataAvailable());
  EXPECT_EQ(x.provider.DefaultMaxLength(), 0);
  auto* other = new TDataSource(nullptr);
  x.provider.SetDataSource(other);
  delete other;
  EXPECT_EQ(x.provider.DataSource(), nullptr);
}

TEST(DBEditDefaults, LookupFieldModifiableThroughItsKeys) {
  FieldFixture x;
  auto* key = x.Add<TIntegerField>("k", ftInteger);
  TMemDataSet list(nullptr);
  list.AddFieldDef("id", ftInteger);
  list.AddFieldDef("name", ftString, 10);
  auto* lookup = new TStringField(&x.ds);
  lookup->SetFieldName("l");
  lookup->SetFieldKind(fkLookup);
  lookup->SetLookupDataSet(&list);
  lookup->SetKeyFields("k");
  lookup->SetLookupKeyFields("id");
  lookup->SetLookupResultField("name");
  lookup->SetDataSet(&x.ds);
  list.Open();
  x.ds.Open();
  x.Bind(lookup);
  EXPECT_TRUE(x.provider.DefaultCanModify());
  key->SetReadOnly(true);
  EXPECT_FALSE(x.provider.DefaultCanModify());
  lookup->SetKeyFields("");
  key->SetReadOnly(false);
  EXPECT_FALSE(x.provider.DefaultCanModify());
}

TEST(DBEditorRegistry, ItemByFieldClassAndSettings) {
  TcxEditDBRegisteredRepositoryItems* r = GetDefaultEditDBRepositoryItems();
  TcxEditRepositoryItem* text = r->GetItemByField(nullptr);
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->InheritsFrom(TcxEditRepositoryMaskItem::StaticClass()));
  FieldFixture x;
  auto* s = x.Add<TStringField>("s", ftString, 10);
  auto* f = x.Add<TFloatField>("f", ftFloat);
  auto* b = x.Add<TBooleanField>("b", ftBoolean);
  // Until the other editors exist every field gets the default item, open or closed.
  for (TField* field : {static_cast<TField*>(s), static_cast<TField*>(f), static_cast<TField*>(b)})
    EXPECT_EQ(r->GetItemByField(field), text);
  x.ds.Open();
  EXPECT_EQ(r->GetItemByField(f), text);

  // Entries registered per type, for currency and for lookup fields.
  TcxEditRepository repo(nullptr);
  TcxEditRepositoryItem* boolItem = repo.CreateItem(TcxEditRepositoryTextItem::StaticClass());
  TcxEditRepositoryItem* currencyItem = repo.CreateItem(TcxEditRepositoryTextItem::StaticClass());
  TcxEditRepositoryItem* lookupItem = repo.CreateItem(TcxEditRepositoryTextItem::StaticClass());
  r->RegisterItem(TFieldType(ftBoolean | 0x80), 1, boolItem);  // the high bit is ignored
  r->RegisterCurrencyItem(1, currencyItem);
  EXPECT_EQ(r->RegisterLookupItem(1, lookupItem), 0);
  EXPECT_EQ(r->RegisterLookupItem(1, currencyItem), 0);  // same key and version: kept
  EXPECT_EQ(r->GetItemByField(b), boolItem);
  EXPECT_EQ(r->GetItemByDataType(ftUnknown), text);
  EXPECT_EQ(r->GetItemByField(f), text);
  f->SetCurrency(true);
  EXPECT_EQ(r->GetItemByField(f), currencyItem);
  x.ds.Close();
  s->SetFieldKind(fkLookup);
  EXPECT_EQ(r->GetItemByField(s), lookupItem);
  // A freed item leaves every list.
  delete lookupItem;
  EXPECT_TRUE(r->LookupEntries().empty());
  EXPECT_EQ(r->GetItemByField(s), text);
  r->UnregisterItem(ftBoolean, 1);
  EXPECT_EQ(r->GetItemByField(b), text);
  delete currencyItem;
  // Only the currency edit's own entry is left.
  ASSERT_EQ(r->CurrencyEntries().size(), 1u);
  EXPECT_TRUE(r->GetItemByField(f)->InheritsFrom(TcxEditRepositoryCurrencyItem::StaticClass()));
}

}  // namespace
