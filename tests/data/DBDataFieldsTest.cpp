// Items bound to data-set fields (value types, stored texts, shared and compound fields), the
// controller's filter written into the data set's filter, field-name lists and the adapter
// registries.
#include "tests/data/DBDataFixture.h"

using namespace dbdata_fixture;

TEST(DBDataFields, ValueTypeFollowsTheFieldType) {
  struct Case {
    TFieldType type;
    TcxValueTypeClass expected;
  };
  const Case cases[] = {
      {ftString, TcxStringValueType::Class()},     {ftSmallint, TcxSmallintValueType::Class()},
      {ftInteger, TcxIntegerValueType::Class()},   {ftAutoInc, TcxIntegerValueType::Class()},
      {ftWord, TcxWordValueType::Class()},         {ftBoolean, TcxBooleanValueType::Class()},
      {ftFloat, TcxFloatValueType::Class()},       {ftCurrency, TcxFloatValueType::Class()},
      {ftBCD, TcxCurrencyValueType::Class()},      {ftDate, TcxDateTimeValueType::Class()},
      {ftTime, TcxDateTimeValueType::Class()},     {ftDateTime, TcxDateTimeValueType::Class()},
      {ftWideString, TcxWideStringValueType::Class()}, {ftLargeint, TcxLargeIntValueType::Class()},
      {ftFMTBcd, TcxFMTBcdValueType::Class()},     {ftMemo, TcxVariantValueType::Class()},
      {ftFixedChar, TcxVariantValueType::Class()}, {ftVariant, TcxVariantValueType::Class()},
  };
  TMemDataSet ds(nullptr);
  for (std::size_t i = 0; i < std::size(cases); ++i) ds.AddFieldDef("f" + std::to_string(i), cases[i].type, 20);
  TDataSource src(nullptr);
  src.SetDataSet(&ds);
  ds.Open();
  TTestDBController c;
  for (std::size_t i = 0; i < std::size(cases); ++i) c.AddColumn("f" + std::to_string(i));
  c.SetDataSource(&src);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(c.ItemValueTypeClass(int(i)), cases[i].expected) << FieldTypeName(cases[i].type);
    EXPECT_EQ(c.ItemDataSetField(int(i)), ds.Fields()->Fields(Integer(i)));
  }
  c.SetDataSource(nullptr);
  c.ChangeItemFieldName(0, "nothing");
  EXPECT_EQ(c.ItemDataSetField(0), nullptr);
}

TEST(DBDataFields, CurrencyAndStoredTexts) {
  TMemDataSet ds(nullptr);
  ds.AddFieldDef("money", ftCurrency);
  ds.AddFieldDef("memo", ftMemo);
  ds.AppendRow({Variant(2.5), "long text"});
  TDataSource src(nullptr);
  src.SetDataSet(&ds);
  ds.Open();
  TTestDBController c;
  int money = c.AddColumn("money");
  int memo = c.AddColumn("memo");
  c.SetDataSource(&src);
  auto* moneyField = static_cast<TcxDBDataField*>(c.Fields()->Items(money));
  EXPECT_TRUE(moneyField->IsCurrency());
  EXPECT_FALSE(c.IsItemTextStored(money, true)) << "a currency field is edited by value";
  static_cast<TFloatField*>(ds.FieldByName("money"))->SetDisplayFormat("0.00");
  ds.FieldByName("memo")->OnGetText = [](TField*, String& text, bool) { text = "memo!"; };
  c.UpdateItems(true);
  EXPECT_FALSE(moneyField->IsCurrency()) << "a display format makes it a plain number";
  EXPECT_TRUE(c.GetItemTextStored(memo));
  EXPECT_EQ(c.GetDisplayText(0, memo), "memo!");
  EXPECT_EQ(c.GetValue(0, money), Variant(2.5));
}

TEST(DBDataFields, ItemsOfOneFieldShareStorageAndRenamingHandsItOn) {
  People p(3);
  TTestDBController c;
  int a = c.AddColumn("name");
  int b = c.AddColumn("NAME");
  c.SetDataSource(&p.src);
  EXPECT_EQ(c.Fields()->Items(b)->ReferenceField(), c.Fields()->Items(a));
  EXPECT_EQ(c.Column(b), (std::vector<String>{"n1", "n2", "n3"}));
  c.ChangeItemFieldName(a, "city");
  EXPECT_EQ(c.Fields()->Items(b)->ReferenceField(), nullptr);
  EXPECT_EQ(c.Column(b), (std::vector<String>{"n1", "n2", "n3"}));
  EXPECT_EQ(c.Column(a), (std::vector<String>{"Oslo", "Rome", "Lima"}));
  EXPECT_EQ(c.ItemFieldName(a), "city");
}

// An item shares the storage of the first item of the same name (any case) that holds its
// own, also after items are removed and renamed.
TEST(DBDataFields, SharingFollowsRemovalsAndRenames) {
  People p(3);
  TTestDBController c;
  c.AddColumn("name");
  c.AddColumn("NAME");
  c.AddColumn("Name");
  c.SetDataSource(&p.src);
  auto ref = [&c](int i) { return c.Fields()->Items(i)->ReferenceField(); };
  auto field = [&c](int i) { return c.Fields()->Items(i); };
  c.RemoveItem(c.GetItem(0));
  EXPECT_EQ(ref(0), nullptr);
  EXPECT_EQ(ref(1), field(0));
  int added = c.AddColumn("nAmE");
  EXPECT_EQ(ref(added), field(0));
  c.ChangeItemFieldName(0, "city");
  EXPECT_EQ(ref(0), nullptr);
  EXPECT_EQ(ref(1), nullptr);
  EXPECT_EQ(ref(added), field(1));
  int city = c.AddColumn("CITY");
  EXPECT_EQ(ref(city), field(0));
  int again = c.AddColumn("name");
  EXPECT_EQ(ref(again), field(1));
  EXPECT_EQ(c.Column(added), (std::vector<String>{"n1", "n2", "n3"}));
  EXPECT_EQ(c.Column(city), (std::vector<String>{"Oslo", "Rome", "Lima"}));
}

TEST(DBDataFields, FieldNameListMakesSubFieldsWithArrayValues) {
  People p(3);
  TTestDBController c;
  int both = c.AddColumn("id; city");
  c.SetDataSource(&p.src);
  auto* f = static_cast<TcxDBDataField*>(c.Fields()->Items(both));
  ASSERT_EQ(f->SubFieldCount(), 2);
  EXPECT_EQ(f->SubField(0)->SourceField(), p.ds.FieldByName("id"));
  EXPECT_EQ(f->SubField(1)->SourceField(), p.ds.FieldByName("city"));
  Variant g = c.GetValueForGrouping(1, f);
  ASSERT_TRUE(g.IsArray());
  EXPECT_EQ(VarArrayGet(g, {0}), Variant(2));
  EXPECT_EQ(VarArrayGet(g, {1}), Variant("Rome"));
  EXPECT_TRUE(c.GetFilterDataValue(2, f).IsArray());
  EXPECT_THROW(c.ItemFieldName(5), EcxInvalidDataControllerOperation);
}

TEST(DBDataFields, FieldNameUtilities) {
  struct Case {
    const char* names;
    int count;
    std::vector<String> split;
  };
  const Case cases[] = {
      {"", 0, {}},
      {"id", 1, {"id"}},
      {"id; name ;city", 3, {"id", "name", "city"}},
      {"a;;b", 3, {"a", "", "b"}},
      {"a;", 1, {"a"}},
  };
  for (const Case& k : cases) {
    std::vector<String> split;
    SplitFieldNames(k.names, split);
    EXPECT_EQ(split, k.split) << k.names;
    EXPECT_EQ(FieldNameCount(k.names), k.count) << k.names;
    EXPECT_EQ(HasSeveralFieldNames(k.names), k.count > 1) << k.names;
  }
  struct Bracket {
    const char* in;
    const char* out;
  };
  for (Bracket b : {Bracket{"city", "city"}, Bracket{"_x1", "_x1"}, Bracket{"my city", "[my city]"},
                    Bracket{"1st", "[1st]"}}) {
    String s = b.in;
    BracketFieldName(s);
    EXPECT_EQ(s, b.out);
  }
}

// ---------------------------------------------------------------------------------------------
// The data set's filter

namespace {

struct FilterScene {
  std::unique_ptr<TMemDataSet> ds;
  TDataSource src{nullptr};
  TTestDBController c;
  int id, name, city;
  explicit FilterScene(bool query) {
    ds.reset(query ? new TMemQuery(nullptr) : new TMemDataSet(nullptr));
    ds->AddFieldDef("id", ftInteger);
    ds->AddFieldDef("name", ftString, 20);
    ds->AddFieldDef("my city", ftString, 20);
    const char* cities[] = {"Oslo", "Rome", nullptr, "Oslo", "Lima"};
    for (int i = 0; i < 5; ++i)
      ds->AppendRow({i + 1, "n" + std::to_string(i + 1), cities[i] ? Variant(cities[i]) : Null()});
    src.SetDataSet(ds.get());
    ds->Open();
    id = c.AddColumn("id");
    name = c.AddColumn("name");
    city = c.AddColumn("my city");
    c.SetDataSource(&src);
    c.DBFilter()->SetAutoDataSetFilter(true);
  }
  TObject* Item(int i) { return c.ItemObject(i); }
};

}  // namespace

TEST(DBDataFilter, CriteriaBecomeTheDataSetsFilterText) {
  FilterScene s(false);
  TcxDBDataFilterCriteria* f = s.c.DBFilter();
  f->LockChanges();
  f->AddItem(f->Root(), s.Item(s.city), foEqual, "Oslo", "Oslo");
  f->AddItem(f->Root(), s.Item(s.id), foGreater, 1, "1");
  f->SetActive(true);
  f->UnlockChanges();
  EXPECT_EQ(s.ds->Filter(), "([my city] = 'Oslo') AND (id > 1)");
  EXPECT_TRUE(s.ds->Filtered());
  EXPECT_FALSE(f->IsFiltering()) << "the data set filters, the controller does not filter again";
  EXPECT_EQ(s.c.Column(s.id), (std::vector<String>{"4"}));
  f->SetActive(false);
  EXPECT_FALSE(s.ds->Filtered());
  EXPECT_EQ(s.c.RowCount(), 5);
}

TEST(DBDataFilter, NullConditionsAndEmptyGroups) {
  struct Case {
    bool query;
    bool withEmptyGroups;
    const char* text;
    std::vector<String> ids;
  };
  const Case cases[] = {
      {false, false, "([my city] = NULL)", {"3"}},
      {true, false, "([my city] IS NULL)", {"3"}},
      {false, true, "([my city] = NULL)", {"3"}},
      {true, true, "([my city] IS NULL)", {"3"}},
  };
  for (const Case& k : cases) {
    FilterScene s(k.query);
    TcxDBDataFilterCriteria* f = s.c.DBFilter();
    f->LockChanges();
    if (k.withEmptyGroups) {
      f->Root()->AddItemList(fboOr);
      f->Root()->AddItemList(fboAnd)->AddItemList(fboNotOr);
    }
    f->AddItem(f->Root(), s.Item(s.city), foEqual, Null(), "");
    f->SetActive(true);
    f->UnlockChanges();
    EXPECT_EQ(s.ds->Filter(), k.text) << k.query << k.withEmptyGroups;
    EXPECT_EQ(s.c.Column(s.id), k.ids) << k.text;
  }
  // Nothing but empty groups: no filter at all.
  FilterScene s(true);
  TcxDBDataFilterCriteria* f = s.c.DBFilter();
  f->LockChanges();
  f->Root()->AddItemList(fboOr);
  f->SetActive(true);
  f->UnlockChanges();
  EXPECT_EQ(s.ds->Filter(), "");
  EXPECT_FALSE(s.ds->Filtered());
  EXPECT_EQ(s.c.RowCount(), 5);
}

TEST(DBDataFilter, OriginNamesTheFieldWhenNotIgnored) {
  FilterScene s(false);
  s.ds->FieldByName("name")->SetOrigin("people.name");
  TcxDBDataFilterCriteria* f = s.c.DBFilter();
  f->LockChanges();
  f->AddItem(f->Root(), s.Item(s.name), foEqual, "n2", "n2");
  f->SetIgnoreOrigin(false);
  f->UnlockChanges();
  EXPECT_EQ(f->FilterTextValue(), "(people.name = 'n2')");
  f->SetIgnoreOrigin(true);
  EXPECT_EQ(f->FilterTextValue(), "(name = 'n2')");
}

TEST(DBDataFilter, ValueHookAndBeforeChangeEvent) {
  FilterScene s(false);
  TcxDBDataFilterCriteria* f = s.c.DBFilter();
  String told;
  f->OnBeforeChange = [&](TcxDBDataFilterCriteria*, TDataSet*, const String& text) { told = text; };
  f->OnFormatFilterTextValue = [](TcxDBDataFilterCriteria*, const Variant&, String& text) { text = "'Rome'"; };
  f->LockChanges();
  f->AddItem(f->Root(), s.Item(s.city), foEqual, "anything", "anything");
  f->SetActive(true);
  f->UnlockChanges();
  EXPECT_EQ(told, "([my city] = 'Rome')");
  EXPECT_EQ(s.c.Column(s.id), (std::vector<String>{"2"}));
}

TEST(DBDataFilter, SmartRefreshKeepsFilteringInTheController) {
  FilterScene s(false);
  s.c.SetKeyFieldNames("id");
  s.c.DataModeController()->SetSmartRefresh(true);
  TcxDBDataFilterCriteria* f = s.c.DBFilter();
  f->LockChanges();
  f->AddItem(f->Root(), s.Item(s.city), foEqual, "Oslo", "Oslo");
  f->SetActive(true);
  f->UnlockChanges();
  EXPECT_FALSE(s.ds->Filtered());
  EXPECT_TRUE(f->IsFiltering());
  EXPECT_EQ(s.c.Column(s.id), (std::vector<String>{"1", "4"}));
}

// ---------------------------------------------------------------------------------------------
// Adapters

TEST(DBDataAdapters, MostSpecificRegistrationWins) {
  TcxDBAdapterList list;
  list.RegisterAdapter(TDataSet::StaticClass(), "A", [](TClass c) { return new TcxDBAdapterItem(c); });
  list.RegisterAdapter(TMemQuery::StaticClass(), "B", [](TClass c) { return new TcxDBAdapterItem(c); });
  list.RegisterAdapter(TMemDataSet::StaticClass(), "C", [](TClass c) { return new TcxDBAdapterItem(c); });
  struct Case {
    TClass cls;
    TClass found;
  };
  for (Case k : {Case{TMemQuery::StaticClass(), TMemQuery::StaticClass()},
                 Case{TADOQuery::StaticClass(), TMemDataSet::StaticClass()},
                 Case{TMemDataSet::StaticClass(), TMemDataSet::StaticClass()},
                 Case{TDataSet::StaticClass(), TDataSet::StaticClass()}}) {
    int index = -1;
    ASSERT_TRUE(list.FindItem(k.cls, index)) << k.cls->ClassName();
    EXPECT_EQ(list.Items(index)->DataSetClass(), k.found) << k.cls->ClassName();
  }
  list.UnregisterAdapter(TMemDataSet::StaticClass(), "C");
  int index = -1;
  ASSERT_TRUE(list.FindItem(TADOQuery::StaticClass(), index));
  EXPECT_EQ(list.Items(index)->DataSetClass(), TDataSet::StaticClass());
}

TEST(DBDataAdapters, DetailAdapterReopensAQueryOnlyForOtherKeyValues) {
  TMemQuery q(nullptr);
  q.AddFieldDef("id", ftInteger);
  q.AppendRow({1});
  q.AppendRow({2});
  q.Params()->CreateParam(ftInteger, "master", ptInput)->SetValue(1);
  q.Open();
  q.Next();
  int index = -1;
  ASSERT_TRUE(cxDetailFilterAdapters()->FindItem(TMemQuery::StaticClass(), index));
  auto* a = dynamic_cast<TcxDBProviderDetailFilterAdapter*>(cxDetailFilterAdapters()->Items(index));
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(a->IsCurrentQuery(&q, "master", 1));
  bool reopened = false;
  a->ReopenSQL(&q, "master", 1, reopened);
  EXPECT_FALSE(reopened);
  EXPECT_EQ(q.RecNo(), 1) << "the same values only move to the first record";
  a->ReopenSQL(&q, "master", 7, reopened);
  EXPECT_TRUE(reopened);
  EXPECT_EQ(q.Params()->ParamByName("master")->AsInteger(), 7);
  EXPECT_TRUE(q.Active());
  TMemDataSet plain(nullptr);
  EXPECT_FALSE(a->IsCurrentQuery(&plain, "master", 7)) << "a data set without parameters";
}

TEST(DBDataFields, FocusingADataSetFieldReachesTheItemShowingIt) {
  struct TFocusing : TTestDBController {
    void FocusItemControl(int itemIndex, bool& done) override {
      Focused.push_back(itemIndex);
      done = true;
    }
    std::vector<int> Focused;
  };
  People p(2);
  TFocusing c;
  c.AddColumn("id");
  c.AddColumn("city");
  c.SetDataSource(&p.src);
  p.ds.FieldByName("city")->FocusControl();
  p.ds.FieldByName("name")->FocusControl();
  EXPECT_EQ(c.Focused, std::vector<int>{1}) << "a field no item shows focuses nothing";
}
