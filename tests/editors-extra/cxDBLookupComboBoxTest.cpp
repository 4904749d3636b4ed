// The lookup combo box over a list data set: keys of one and two fields (the null key), list
// field names read back, key to text, the lookup field's definition taken over and guarded, the
// circular data link, the default editor of lookup fields, and a standalone combo box picking a
// record by typing and with the mouse.
#include <gtest/gtest.h>

#include "db/MemDataSet.h"
#include "editors-extra/cxDBEdit.h"
#include "editors-extra/cxDBLookupComboBox.h"
#include "editors-extra/cxEditDBRegisteredRepositoryItems.h"
#include "editors/cxFilterControlUtils.h"
#include "rtl/SysUtils.h"
#include "rtl/Variants.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Forms.h"

namespace {

class DBLookupComboBoxTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    InitializeCxDBLookupComboBox();
    list_.AddFieldDef("id", ftInteger);
    list_.AddFieldDef("part", ftInteger);
    list_.AddFieldDef("name", ftString, 20);
    const char* names[] = {"Oslo", "Bergen", "Tromso", "Bodo"};
    for (int i = 0; i < 4; ++i) list_.AppendRow({Variant(i + 1), Variant(i % 2), Variant(names[i])});
    list_.Open();
    listSource_.SetDataSet(&list_);
  }
  // A shown form with a combo box on it (the form owns the combo box).
  static TcxLookupComboBox* NewCombo(TForm*& form) {
    form = new TForm(Application);
    form->SetBounds(50, 50, 400, 300);
    form->Show();
    auto* combo = new TcxLookupComboBox(form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 200, 21);
    return combo;
  }
  TMemDataSet list_{nullptr};
  TDataSource listSource_{nullptr};
};

TEST_F(DBLookupComboBoxTest, KeysListFieldsAndTexts) {
  TcxLookupComboBoxProperties p(nullptr);
  int changes = 0;
  p.PropertiesChangedHandler = [&](TObject*) { ++changes; };
  p.SetListSource(&listSource_);
  p.SetKeyFieldNames("id");
  p.SetListFieldNames("name;id");
  ASSERT_EQ(p.ListColumns()->Count(), 2);
  EXPECT_EQ(p.ListFieldNames(), "name;id");
  changes = 0;
  p.SetListFieldNames("name;id");  // the same names again: no change signalled
  EXPECT_EQ(changes, 0);
  EXPECT_TRUE(p.GetNullKey().IsNull());

  struct Case {
    Variant Key;
    const char* Text;
  };
  const Case cases[] = {
      {Variant(2), "Bergen"}, {Variant(4), "Bodo"}, {Variant(9), ""},  // a key missing from the list
      {Null(), ""},           {Variant(String("x")), ""},              // a key of another type
  };
  for (const Case& c : cases) EXPECT_EQ(p.GetDisplayTextByKey(c.Key), c.Text);

  // Two key fields: the null key is an array of two Nulls, a key an array of two values.
  p.SetKeyFieldNames("part;id");
  const Variant nullKey = p.GetNullKey();
  ASSERT_TRUE(nullKey.IsArray());
  EXPECT_EQ(VarArrayHighBound(nullKey, 1), 1);
  EXPECT_TRUE(VarArrayGet(nullKey, {0}).IsNull());
  EXPECT_TRUE(VarArrayGet(nullKey, {1}).IsNull());
  Variant key = VarArrayCreate({0, 1}, varVariant);
  VarArrayPut(key, Variant(0), {0});
  VarArrayPut(key, Variant(3), {1});
  EXPECT_EQ(p.GetDisplayTextByKey(key), "Tromso");
  EXPECT_EQ(p.GetDisplayTextByKey(Variant(3)), "");  // one value for two fields

  // The list index is clamped to the columns.
  p.SetListIndex(5);
  EXPECT_EQ(p.GetListIndex(), 1);
}

TEST_F(DBLookupComboBoxTest, FilterHelperOffersEqualityAndBlankOnly) {
  TClass helperClass = FilterEditsController()->LookupHelper(TcxLookupComboBoxProperties::StaticClass());
  ASSERT_EQ(helperClass, TcxFilterLookupComboBoxHelper::StaticClass());
  const TcxCustomFilterEditHelper* helper = FilterEditHelper(helperClass);
  TcxLookupComboBoxProperties source(nullptr), filter(nullptr);
  TcxFilterControlOperators ops;
  helper->SupportedOperators(&source, nullptr, ops, true);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 9, 10}));
  helper->PrepareFilterProperties(&filter, &source, false);
  EXPECT_EQ(filter.DropDownListStyle(), lsFixedList);
  EXPECT_TRUE(filter.DropDownSizeable());
  EXPECT_TRUE(filter.DropDownAutoSize());
  EXPECT_FALSE(helper->KeepsDefaultValuesProvider(&source));
}

TEST_F(DBLookupComboBoxTest, GridModeTextsComeFromACacheAndTextsAreLocated) {
  TcxLookupComboBoxProperties p(nullptr);
  p.SetListSource(&listSource_);
  p.SetKeyFieldNames("id");
  p.SetListFieldNames("name");
  p.SetGridMode(true);
  EXPECT_FALSE(p.IsIncrementalFilteringActive());
  EXPECT_EQ(p.GetDisplayTextByKey(Variant(3)), "Tromso");
  EXPECT_EQ(p.GetDisplayTextByKey(Variant(9)), "");  // missing: empty, and cached
  ASSERT_NE(p.TextCache(), nullptr);
  EXPECT_EQ(p.TextCache()->Count(), 2);
  list_.AppendRow({Variant(9), Variant(0), Variant("Alta")});
  EXPECT_EQ(p.GetDisplayTextByKey(Variant(9)), "");  // still served from the cache
  p.NotifyPropertiesChanged();
  EXPECT_EQ(p.TextCache()->Count(), 0);
  EXPECT_EQ(p.GetDisplayTextByKey(Variant(9)), "Alta");  // looked up again

  struct Case {
    const char* Text;
    bool Partial, CaseSensitive;
    const char* Found;  // the list text of the located record, "" when none
  };
  const Case cases[] = {
      {"bod", true, false, "Bodo"},
      {"bod", true, true, ""},
      {"Bod", true, true, "Bodo"},
      {"bod", false, false, ""},
      {"bergen", false, false, "Bergen"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    p.SetCaseSensitiveSearch(c.CaseSensitive);
    const int record = p.FindRecordByText(0, c.Text, c.Partial);
    EXPECT_EQ(record == -1 ? String() : p.GetListDataController()->GetDisplayText(record, 0), c.Found);
  }
  p.SetGridMode(false);
  EXPECT_EQ(p.TextCache(), nullptr);
}

TEST_F(DBLookupComboBoxTest, LookupFieldDefinesTheListAndGuardsIt) {
  TMemDataSet orders(nullptr);
  orders.AddFieldDef("city", ftInteger);
  auto* city = new TIntegerField(&orders);
  city->SetFieldName("city");
  city->SetDataSet(&orders);
  auto* lookup = new TStringField(&orders);
  lookup->SetFieldName("cityName");
  lookup->SetFieldKind(fkLookup);
  lookup->SetLookupDataSet(&list_);
  lookup->SetKeyFields("city");
  lookup->SetLookupKeyFields("id");
  lookup->SetLookupResultField("name");
  lookup->SetDataSet(&orders);
  orders.Open();
  TDataSource ordersSource(nullptr);
  ordersSource.SetDataSet(&orders);

  // The default editor of a lookup field is the lookup combo box.
  TcxEditRepositoryItem* item = GetDefaultEditDBRepositoryItems()->GetItemByField(lookup);
  ASSERT_NE(dynamic_cast<TcxEditRepositoryLookupComboBoxItem*>(item), nullptr);

  TcxLookupComboBoxProperties p(nullptr);
  TcxCustomDBEditDefaultValuesProvider provider(nullptr);
  provider.SetDataSource(&ordersSource);
  provider.SetField(lookup);
  p.AttachDefaultValuesProvider(&provider);
  p.NotifyPropertiesChanged();
  ASSERT_EQ(p.LookupField(), lookup);
  EXPECT_TRUE(p.IsDefinedByLookup());
  EXPECT_EQ(p.ListSource(), nullptr);
  EXPECT_EQ(p.KeyFieldNames(), "id");
  EXPECT_EQ(p.ListFieldNames(), "name");
  EXPECT_EQ(p.GetDisplayTextByKey(Variant(3)), "Tromso");
  EXPECT_EQ(p.EditValueSource(false), 1);
  EXPECT_EQ(p.EditValueSource(true), 2);

  const String defined = "指定したプロパティは Lookup フィールドで指定済みです";
  try {
    p.SetKeyFieldNames("part");
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), defined);
  }
  EXPECT_THROW(p.SetListSource(&listSource_), EDatabaseError);
  EXPECT_THROW(p.SetListIndex(0), EDatabaseError);
  EXPECT_EQ(p.KeyFieldNames(), "id");
  p.ClearDefaultValuesProvider();
  p.NotifyPropertiesChanged();
  EXPECT_FALSE(p.IsDefinedByLookup());

  // A list source reading the edited data set is a circular link.
  TcxCustomDBEditDefaultValuesProvider plain(nullptr);
  plain.SetDataSource(&ordersSource);
  plain.SetField(city);
  p.AttachDefaultValuesProvider(&plain);
  p.NotifyPropertiesChanged();
  try {
    p.SetListSource(&ordersSource);
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "データ間の循環参照は許されません");
  }
  p.ClearDefaultValuesProvider();
}

TEST_F(DBLookupComboBoxTest, StandaloneDropDownAndMousePick) {
  TForm* form = nullptr;
  TcxLookupComboBox* combo = NewCombo(form);
  TcxLookupComboBoxProperties* p = combo->ComboBoxProperties();
  p->SetListSource(&listSource_);
  p->SetKeyFieldNames("id");
  p->SetListFieldNames("name");
  combo->SetEditValue(Variant(3));  // an integer key: the text editor's key comparison works
  Pump();
  EXPECT_EQ(combo->Text(), "Tromso");
  combo->SetFocus();
  Pump();
  combo->SetDroppedDown(true);
  Pump();
  ASSERT_TRUE(combo->DroppedDown());
  TcxCustomLookupDBGrid* grid = p->Grid();
  ASSERT_TRUE(grid->HandleAllocated());
  ASSERT_GE(grid->ViewInfo()->Rows.size(), 2u);
  EXPECT_EQ(grid->DataController()->GetRecordId(grid->DataController()->FocusedRecordIndex()).AsInteger(), 3);
  S().SnapshotScreen("lookup_combo_dropdown.png");
  // Down moves to the next record while the list is open.
  S().PressKey(VK_DOWN);
  EXPECT_EQ(combo->Text(), "Bodo");
  EXPECT_TRUE(combo->DroppedDown());
  // Press and release over the row of "Bergen": the popup closes with that record.
  const TRect r = grid->ViewInfo()->Rows[1].Bounds;
  const POINT at{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  S().MoveMouse(grid->Handle(), at);
  S().MouseDown(grid->Handle(), at);
  S().MouseUp(grid->Handle(), at);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), "Bergen");
  EXPECT_EQ(combo->EditValue().AsInteger(), 2);
  form->Free();
}

// Typing into a combo box whose key starts Null (the editor compares keys as variants).
TEST_F(DBLookupComboBoxTest, StandaloneTypingFindsTheRecord) {
  TForm* form = nullptr;
  TcxLookupComboBox* combo = NewCombo(form);
  TcxLookupComboBoxProperties* p = combo->ComboBoxProperties();
  p->SetListSource(&listSource_);
  p->SetKeyFieldNames("id");
  p->SetListFieldNames("name");
  Pump();
  combo->SetFocus();
  Pump();
  // Typing "tr" completes to Tromso and its key.
  S().TypeText("tr");
  EXPECT_EQ(combo->Text(), "Tromso");
  EXPECT_EQ(combo->LookupEditData()->ReadCurrentKey().AsInteger(), 3);

  // The list opens on the typed record; Esc closes it and keeps the choice.
  combo->SetDroppedDown(true);
  Pump();
  ASSERT_TRUE(combo->DroppedDown());
  TcxCustomLookupDBGrid* grid = p->Grid();
  ASSERT_TRUE(grid->HandleAllocated());
  ASSERT_GE(grid->ViewInfo()->Rows.size(), 1u);
  S().PressKey(VK_ESCAPE);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), "Tromso");
  form->Free();
}

// Keys of another kind than integers (a string key field): the edit finds a key's record and
// moves by keys without reading the key as a number; characters follow the list field.
TEST_F(DBLookupComboBoxTest, StringKeysCharsAndSortingEvent) {
  TForm* form = nullptr;
  TcxLookupComboBox* combo = NewCombo(form);
  TcxLookupComboBoxProperties* p = combo->ComboBoxProperties();
  p->SetListSource(&listSource_);
  p->SetKeyFieldNames("name");
  p->SetListFieldNames("name;id");
  combo->SetEditValue(Variant(String("Bergen")));
  Pump();
  EXPECT_EQ(combo->Text(), "Bergen");
  EXPECT_EQ(combo->KeyToItemIndex(Variant(String("Bodo"))), 3);
  EXPECT_EQ(combo->KeyToItemIndex(Null()), -1);
  EXPECT_EQ(combo->KeyToItemIndex(Variant(String("nowhere"))), -1);
  EXPECT_EQ(combo->ItemIndexToKey(2).AsString(), "Tromso");
  EXPECT_TRUE(combo->ItemIndexToKey(-1).IsNull());
  EXPECT_TRUE(combo->GetEmptyEditValue().IsNull());  // not bound to a lookup field
  combo->SetFocus();
  Pump();
  EXPECT_EQ(combo->ItemIndex(), 1);  // entering takes the key of the shown record
  S().PressKey(VK_DOWN);  // closed list: the next record
  EXPECT_EQ(combo->Text(), "Tromso");
  EXPECT_EQ(combo->EditValue().AsString(), "Tromso");

  // The list field's characters: an integer list field takes digits only.
  EXPECT_TRUE(combo->AcceptsChar(U'x'));
  p->SetListFieldIndex(1);
  EXPECT_TRUE(combo->AcceptsChar(U'5'));
  EXPECT_FALSE(combo->AcceptsChar(U'x'));

  // OnSortingChanged fires from a header click; a handler that raises leaves the list usable.
  int sorted = 0;
  p->SetOnSortingChanged([&](TObject*) {
    ++sorted;
    throw Exception("handler");
  });
  TcxLookupComboBoxProperties copy(nullptr);
  copy.Assign(p);
  EXPECT_TRUE(bool(copy.OnSortingChanged()));
  combo->SetDroppedDown(true);
  Pump();
  TcxCustomLookupDBGrid* grid = p->Grid();
  ASSERT_TRUE(grid->HandleAllocated());
  const TRect header = grid->ViewInfo()->Columns[0].Bounds;
  const POINT at{header.Left + 5, (header.Top + header.Bottom) / 2};
  int reported = 0;
  Application->OnException = [&](TObject*, const Exception&) { ++reported; };
  S().MouseDown(grid->Handle(), at);  // the application reports the handler's error
  S().MouseUp(grid->Handle(), at);
  Application->OnException = nullptr;
  EXPECT_EQ(sorted, 1);
  EXPECT_EQ(reported, 1);
  EXPECT_EQ(grid->DBColumns()->Column(0)->SortOrder(), soAscending);
  p->SetOnSortingChanged(nullptr);
  grid->DBColumns()->Column(0)->SetSortOrder(soDescending);  // the grid is not left locked
  EXPECT_EQ(grid->ViewInfo()->Rows.front().Cells.size(), 2u);
  EXPECT_EQ(grid->DataController()->GetDisplayText(grid->ViewInfo()->Rows.front().RecordIndex, 0), "Tromso");
  form->Free();
}

// Editing the key of a lookup field with two key fields: the empty value is two Nulls.
TEST_F(DBLookupComboBoxTest, EmptyValueOfATwoFieldLookupKey) {
  TMemDataSet orders(nullptr);
  orders.AddFieldDef("part", ftInteger);
  orders.AddFieldDef("city", ftInteger);
  for (const char* name : {"part", "city"}) {
    auto* f = new TIntegerField(&orders);
    f->SetFieldName(name);
    f->SetDataSet(&orders);
  }
  auto* lookup = new TStringField(&orders);
  lookup->SetFieldName("cityName");
  lookup->SetFieldKind(fkLookup);
  lookup->SetLookupDataSet(&list_);
  lookup->SetKeyFields("part;city");
  lookup->SetLookupKeyFields("part;id");
  lookup->SetLookupResultField("name");
  lookup->SetDataSet(&orders);
  orders.AppendRow({Variant(0), Variant(3)});
  orders.Open();
  TDataSource ordersSource(nullptr);
  ordersSource.SetDataSet(&orders);

  TForm* form = nullptr;
  TcxLookupComboBox* combo = NewCombo(form);
  TcxCustomDBEditDefaultValuesProvider provider(nullptr);
  provider.SetDataSource(&ordersSource);
  provider.SetField(lookup);
  TcxLookupComboBoxProperties* p = combo->ComboBoxProperties();
  p->AttachDefaultValuesProvider(&provider);
  p->NotifyPropertiesChanged();
  ASSERT_TRUE(p->IsDefinedByLookup());
  combo->SetFocus();
  Pump();
  ASSERT_TRUE(combo->InEditingMode());
  const Variant empty = combo->GetEmptyEditValue();
  ASSERT_TRUE(empty.IsArray());
  EXPECT_EQ(VarArrayHighBound(empty, 1), 1);
  EXPECT_TRUE(VarArrayGet(empty, {0}).IsNull());
  EXPECT_TRUE(VarArrayGet(empty, {1}).IsNull());
  form->Free();
}

}  // namespace
