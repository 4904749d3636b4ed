// The record-based view's items and the grid data controllers: items made per data-set field,
// IDs, display texts, default widths, the stored "Data" and copying records.
#include <gtest/gtest.h>

#include "GridTestSupport.h"
#include "data/cxDataConsts.h"
#include "db/MemDataSet.h"
#include "grid/cxGrid.h"
#include "grid/cxGridDBDataDefinitions.h"
#include "rtl/Classes.h"
#include "rtl/SysUtils.h"

namespace gridtest {

// The data-set column of the table view comes later; this one has its class name.
class TcxGridDBColumn : public TcxCustomGridTableItem {
  KORVAN_CLASS(TcxGridDBColumn, TcxCustomGridTableItem)
 public:
  explicit TcxGridDBColumn(TComponent* owner) : TcxCustomGridTableItem(owner) {}
};
KORVAN_IMPLEMENT_CLASS(TcxGridDBColumn)

template <class DC>
class TTableTestView : public TcxCustomGridTableView {
  KORVAN_CLASS(TTableTestView, TcxCustomGridTableView)
 public:
  explicit TTableTestView(TComponent* owner) : TcxCustomGridTableView(owner) {}
  TClass GetControllerClass() override { return TTestController::StaticClass(); }
  TcxDataControllerClass GetDataControllerClass() override { return DataControllerClassOf<DC>(); }
  TClass GetPainterClass() override { return TTestPainter::StaticClass(); }
  TClass GetViewDataClass() override { return TTestViewData::StaticClass(); }
  TClass GetViewInfoClass() override { return TPlainViewInfo::StaticClass(); }
  TClass GetItemClass() override { return TcxGridDBColumn::StaticClass(); }
};
using TDBTestView = TTableTestView<TcxGridDBDataController>;
using TOwnTestView = TTableTestView<TcxGridDataController>;
template <>
TClass TDBTestView::StaticClass() {
  static const TClassInfo info("TDBTestView", TcxCustomGridTableView::StaticClass(), rtl_detail::FactoryOf<TDBTestView>());
  return &info;
}
template <>
TClass TOwnTestView::StaticClass() {
  static const TClassInfo info("TOwnTestView", TcxCustomGridTableView::StaticClass(), rtl_detail::FactoryOf<TOwnTestView>());
  return &info;
}

class TableDataFixture : public GridFixture {
 protected:
  template <class V>
  V* AddTableView(const String& name) {
    TcxGridLevel* level = grid_->Levels()->Add();
    auto* view = static_cast<V*>(grid_->CreateView(V::StaticClass()));
    view->SetName(name);
    level->SetGridView(view);
    return view;
  }
  TcxGridDBDataController* DB(TDBTestView* v) { return static_cast<TcxGridDBDataController*>(v->DataController()); }
  TcxGridDataController* Own(TOwnTestView* v) { return static_cast<TcxGridDataController*>(v->DataController()); }
  // A data set with fields of the given names (strings) and two rows, bound to the view.
  void Bind(TDBTestView* v, std::vector<String> names) {
    for (const String& n : names) ds_.AddFieldDef(n, ftString, 10);
    ds_.AppendRow(std::vector<Variant>(names.size(), Variant("a")));
    ds_.AppendRow(std::vector<Variant>(names.size(), Variant("b")));
    ds_.Open();
    source_.SetDataSet(&ds_);
    DB(v)->SetDataSource(&source_);
  }
  TMemDataSet ds_{nullptr};
  TDataSource source_{nullptr};
};

TEST_F(TableDataFixture, CreateAllItemsNamesOneItemPerField) {
  struct Case {
    const char* field;
    const char* taken;  // a component name the form already holds
    const char* name;
  } cases[] = {
      {"Name", "", "ViewName"},
      {"First Name", "", "ViewFirstName"},
      {"a-b_c", "", "Viewab_c"},
      {"2024", "", "ViewDBColumn2024"},
      {"#%&", "", "ViewDBColumn"},
      {"#%&", "viewdbcolumn", "ViewDBColumn1"},
      {"", "", "ViewDBColumn1"},
      {"Größe", "", "ViewGre"},
      {"日本", "", "ViewDBColumn"},
      {"City", "ViewCity", "ViewCity1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    auto* view = AddTableView<TDBTestView>("View");
    TComponent* taken = nullptr;
    if (*c.taken) {
      taken = new TComponent(form_);
      taken->SetName(c.taken);
    }
    TMemDataSet ds(nullptr);
    ds.AddFieldDef(c.field, ftString, 5);
    ds.Open();
    TDataSource source(nullptr);
    source.SetDataSet(&ds);
    DB(view)->SetDataSource(&source);
    DB(view)->CreateAllItems();
    ASSERT_EQ(view->ItemCount(), 1);
    EXPECT_EQ(view->Items(0)->Name(), c.name);
    DB(view)->SetDataSource(nullptr);
    delete view;
    delete taken;
  }
}

TEST_F(TableDataFixture, CreateAllItemsBindsFieldsVisibilityAndIDs) {
  auto* view = AddTableView<TDBTestView>("tv");
  DB(view)->CreateAllItems();  // no data set: nothing
  EXPECT_EQ(view->ItemCount(), 0);
  Bind(view, {"id", "name", "hidden"});
  ds_.Fields()->Fields(2)->SetVisible(false);
  DB(view)->CreateAllItems();
  ASSERT_EQ(view->ItemCount(), 3);
  for (Integer i = 0; i < 3; ++i) {
    auto* binding = static_cast<TcxGridItemDBDataBinding*>(view->Items(i)->DataBinding());
    EXPECT_EQ(view->Items(i)->ID(), i);
    EXPECT_EQ(view->Items(i)->Index(), i);
    EXPECT_EQ(binding->FieldName(), ds_.Fields()->Fields(i)->FieldName());
    EXPECT_EQ(binding->Field(), ds_.Fields()->Fields(i));
    EXPECT_EQ(view->Items(i)->Visible(), i != 2);
    EXPECT_EQ(DB(view)->GetItem(i), view->Items(i));
    EXPECT_EQ(DB(view)->GetItemID(view->Items(i)), i);
  }
  EXPECT_EQ(view->UpdateLockCount(), 0);
  // Removing the highest ID frees it; removing another does not.
  delete view->Items(2);
  EXPECT_EQ(view->CreateItem()->ID(), 2);
  delete view->Items(0);
  EXPECT_EQ(view->CreateItem()->ID(), 3);
  DB(view)->DeleteAllItems();
  EXPECT_EQ(view->ItemCount(), 0);
  DB(view)->CreateAllItems();
  EXPECT_EQ(view->Items(0)->ID(), 0);
  EXPECT_EQ(view->Items(0)->Name(), "tvid");
  DB(view)->SetDataSource(nullptr);
}

// The visible items are listed once after CreateAllItems: the list holds the visible items
// in index order, an item made before included, and each visible index is its position.
TEST_F(TableDataFixture, CreateAllItemsListsTheVisibleItemsInIndexOrder) {
  auto* view = AddTableView<TDBTestView>("tv");
  TcxCustomGridTableItem* before = view->CreateItem();
  Bind(view, {"a", "hidden", "b", "c"});
  ds_.Fields()->Fields(1)->SetVisible(false);
  DB(view)->CreateAllItems();
  ASSERT_EQ(view->ItemCount(), 5);
  std::vector<TcxCustomGridTableItem*> expected = {before, view->Items(1), view->Items(3), view->Items(4)};
  ASSERT_EQ(view->VisibleItemCount(), Integer(expected.size()));
  for (Integer i = 0; i < view->VisibleItemCount(); ++i) {
    EXPECT_EQ(view->VisibleItems(i), expected[size_t(i)]) << i;
    EXPECT_EQ(view->VisibleItems(i)->VisibleIndex(), i);
  }
  EXPECT_EQ(view->Items(2)->VisibleIndex(), -1);
  // Later visibility changes update the list at once again.
  view->Items(2)->SetVisible(true);
  EXPECT_EQ(view->VisibleItemCount(), 5);
  EXPECT_EQ(view->Items(2)->VisibleIndex(), 2);
  DB(view)->SetDataSource(nullptr);
}

TEST_F(TableDataFixture, InterfacesAnswerPerController) {
  auto* db = AddTableView<TDBTestView>("d");
  auto* own = AddTableView<TOwnTestView>("o");
  IcxGridDataControllerViewLink* dbLink = db->DataControllerViewLink();
  IcxGridDataControllerViewLink* ownLink = own->DataControllerViewLink();
  ASSERT_TRUE(dbLink && ownLink);
  EXPECT_EQ(dbLink->GetGridView(), db);
  EXPECT_EQ(ownLink->GetGridView(), own);
  EXPECT_FALSE(dbLink->HoldsOwnRecords());
  EXPECT_TRUE(ownLink->HoldsOwnRecords());
  EXPECT_FALSE(dbLink->HasRecordSource());
  EXPECT_TRUE(ownLink->HasRecordSource());
  EXPECT_TRUE(dbLink->CanCreateAllItems());
  EXPECT_FALSE(ownLink->CanCreateAllItems());
  // Outside sequenced grid mode nothing scrolls.
  for (IcxGridDataControllerServices* s : {db->DataControllerServices(), own->DataControllerServices()}) {
    EXPECT_FALSE(s->ScrollRecord(true));
    EXPECT_FALSE(s->ScrollPage(false));
    EXPECT_EQ(s->GetScrollBarPosition(), -1);
    EXPECT_EQ(s->GetScrollBarRecordCount(), -1);
    EXPECT_FALSE(s->SetScrollBarPosition(3));
  }
  // A data source owned elsewhere is a fake link, listed once.
  TComponent other(nullptr);
  auto* source = new TDataSource(&other);
  DB(db)->SetDataSource(source);
  std::vector<TComponent*> links;
  dbLink->ListFakeComponentLinks(links);
  dbLink->ListFakeComponentLinks(links);
  EXPECT_EQ(links, std::vector<TComponent*>{&other});
  DB(db)->SetDataSource(nullptr);
}

TEST_F(TableDataFixture, TextsCaptionsAndWidthsFromTheField) {
  auto* view = AddTableView<TDBTestView>("tv");
  Bind(view, {"name"});
  ds_.Fields()->Fields(0)->SetDisplayLabel("Full name");
  DB(view)->CreateAllItems();
  TcxCustomGridTableItem* item = view->Items(0);
  EXPECT_EQ(item->Caption(), "Full name");
  item->SetCaption("");
  EXPECT_EQ(item->Caption(), "");
  // Display text: the controller's, then OnGetDataText.
  EXPECT_EQ(DB(view)->GetDisplayText(1, 0), "b");
  item->OnGetDataText = [](TcxCustomGridTableItem*, Integer record, String& text) { text += "#" + IntToStr(record); };
  EXPECT_EQ(DB(view)->GetDisplayText(1, 0), "b#1");
  auto* binding = static_cast<TcxGridItemDBDataBinding*>(item->DataBinding());
  // The default width is the field's display width in "0" characters, plus 4.
  const Integer zero = MeasureTextWidthInFont(grid_->Font(), "0");
  EXPECT_EQ(item->Width(), zero * 10 + 4);
  EXPECT_EQ(binding->GetDefaultWidth(true), zero * 10 + 4);
  // Width rules: the minimum raises the width, and a smaller width is raised to the minimum.
  item->SetMinWidth(500);
  EXPECT_EQ(item->Width(), 500);
  item->SetWidth(10);
  EXPECT_EQ(item->Width(), 500);
  item->SetMinWidth(-3);
  EXPECT_EQ(item->MinWidth(), 0);
  // An unbound item: 64 and no caption.
  binding->SetFieldName("");
  EXPECT_EQ(binding->GetDefaultWidth(true), 64);
  EXPECT_EQ(binding->GetDefaultCaption(), "");
  DB(view)->SetDataSource(nullptr);
}

TEST_F(TableDataFixture, ValueTypeCaptionsOfTheOwnController) {
  auto* view = AddTableView<TOwnTestView>("o");
  TcxCustomGridTableItem* item = view->CreateItem();
  TcxGridItemDataBinding* b = item->DataBinding();
  EXPECT_EQ(b->ValueType(), "String");
  EXPECT_FALSE(b->IsValueTypeStored());
  b->FilterMRUValueItems()->Add(1, "one");
  b->SetValueType("String");  // the same caption: nothing changes
  EXPECT_EQ(b->FilterMRUValueItems()->ItemCount(), 1);
  b->SetValueType("Integer");
  EXPECT_EQ(b->GetValueTypeClass(), TcxIntegerValueType::Class());
  EXPECT_TRUE(b->IsValueTypeStored());
  b->SetValueType("No such type");
  EXPECT_EQ(b->GetValueTypeClass(), nullptr);
  EXPECT_EQ(b->ValueType(), "");
  // Recent values: equal values move to the top, texts are not compared; five at most.
  TcxGridFilterMRUValueItems* mru = b->FilterMRUValueItems();
  mru->RemoveAll();
  for (int i = 0; i < 7; ++i) mru->Add(i, IntToStr(i));
  mru->Add(3, "other");
  EXPECT_EQ(mru->ItemCount(), 5);
  EXPECT_EQ(mru->Item(0)->DisplayText, "3");
}

// Sorting by display text against sorting by value: the values 1, 2 and 10 read "1", "10",
// "2" as texts. The item's rule decides; a change of the rule sorts anew.
TEST_F(TableDataFixture, SortByDisplayTextFollowsTheItemsRule) {
  auto* view = AddTableView<TOwnTestView>("s");
  TcxCustomGridTableItem* item = view->CreateItem();
  item->DataBinding()->SetValueType("Integer");
  TcxCustomDataController* dc = view->DataController();
  dc->SetRecordCount(3);
  const int values[] = {1, 2, 10};
  for (int r = 0; r < 3; ++r) dc->SetValue(r, 0, Variant(values[r]));
  item->SetSortOrder(soAscending);
  struct Case {
    const char* name;
    TcxGridItemSortByDisplayText rule;
    bool handler, controllerOption;
    bool byText;
  } cases[] = {
      {"default: by value", isbtDefault, false, false, false},
      {"default with OnGetDataText: by text", isbtDefault, true, false, true},
      {"off with OnGetDataText: by value", isbtOff, true, false, false},
      {"on: by text", isbtOn, false, false, true},
      // The controller's option asks for texts only of properties that sort by them.
      {"default, the controller's option, plain properties: by value", isbtDefault, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    item->OnGetDataText = nullptr;
    if (c.handler) item->OnGetDataText = [](TcxCustomGridTableItem*, Integer, String&) {};
    TcxDataControllerOptions options = dc->GetOptions();
    dc->SetOptions(c.controllerOption ? options.Include(dcoSortByDisplayText) : options.Exclude(dcoSortByDisplayText));
    item->Options()->SetSortByDisplayText(c.rule == isbtDefault ? isbtOff : isbtDefault);
    item->Options()->SetSortByDisplayText(c.rule);
    EXPECT_EQ(dc->RowIndexOfRecord(0), 0);
    EXPECT_EQ(dc->RowIndexOfRecord(1), c.byText ? 2 : 1);
    EXPECT_EQ(dc->RowIndexOfRecord(2), c.byText ? 1 : 2);
  }
}

TEST_F(TableDataFixture, OwnRecordsStoredCopiedAndReadWhenLoadingEnds) {
  auto* a = AddTableView<TOwnTestView>("a");
  auto* b = AddTableView<TOwnTestView>("b");
  for (auto* v : {a, b}) {
    v->CreateItem();
    v->CreateItem()->DataBinding()->SetValueType("Integer");
  }
  Own(a)->SetRecordCount(2);
  Own(a)->SetValue(0, 0, "x");
  Own(a)->SetValue(1, 1, 42);
  Own(b)->CopyDataFrom(Own(a));
  EXPECT_EQ(Own(b)->GetRecordCount(), 2);
  EXPECT_EQ(VarToStr(Own(b)->GetValue(0, 0)), "x");
  EXPECT_EQ(Own(b)->GetValue(1, 1), Variant(42));

  // The property's bytes: the 4-byte length, then that many bytes.
  TMemoryStream data;
  Own(a)->WriteDataToStream(data);
  TMemoryStream property;
  StreamWriteInt32(property, Integer(data.Size()));
  property.CopyFrom(&data, 0);
  property.SetPosition(0);
  EXPECT_EQ(StreamReadInt32(property), Integer(data.Size()));

  // Other value definitions: "Invalid stream format", and the held stream is released.
  auto* c = AddTableView<TOwnTestView>("c");
  c->CreateItem();
  struct Reader : TFiler {
    TStream* s;
    void DefineProperty(const String&, const TReaderProc&, const TWriterProc&, bool) override {}
    void DefineBinaryProperty(const String& name, const TStreamProc& read, const TStreamProc&, bool) override {
      if (name == "Data") read(*s);
    }
  } reader;
  property.SetPosition(0);
  reader.s = &property;
  CallDefineProperties(Own(c), &reader);
  ASSERT_NE(Own(c)->HeldData(), nullptr);
  try {
    Own(c)->DoPendingNotifications();
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Invalid stream format");
  }
  EXPECT_EQ(Own(c)->HeldData(), nullptr);
  // With the same definitions the records arrive once loading ends.
  property.SetPosition(0);
  CallDefineProperties(Own(b), &reader);
  Own(b)->SetRecordCount(0);
  Own(b)->DoPendingNotifications();
  EXPECT_EQ(Own(b)->GetRecordCount(), 2);
  EXPECT_EQ(Own(b)->HeldData(), nullptr);
}

}  // namespace gridtest

namespace gridtest {

// An item class that fails when the n-th one is made.
int failAt = -1;
class TFailingColumn : public TcxCustomGridTableItem {
  KORVAN_CLASS(TFailingColumn, TcxCustomGridTableItem)
 public:
  explicit TFailingColumn(TComponent* owner) : TcxCustomGridTableItem(owner) {
    if (failAt-- == 0) throw EDatabaseError("field read failed");
  }
};
KORVAN_IMPLEMENT_CLASS(TFailingColumn)

class TFailingView : public TTableTestView<TcxGridDBDataController> {
 public:
  using TTableTestView::TTableTestView;
  TClass GetItemClass() override { return TFailingColumn::StaticClass(); }
};

TEST_F(TableDataFixture, FailingCreateAllItemsKeepsItemsAndRestoresBrackets) {
  TcxGridLevel* level = grid_->Levels()->Add();
  auto* view = new TFailingView(form_);
  view->InitSubobjects();
  level->SetGridView(view);
  Bind(view, {"a", "b", "c"});
  const TCursor before = Screen->Cursor();
  failAt = 2;
  EXPECT_THROW(DB(view)->CreateAllItems(), EDatabaseError);
  failAt = -1;
  EXPECT_EQ(view->ItemCount(), 2);
  EXPECT_EQ(view->UpdateLockCount(), 0);
  EXPECT_EQ(Screen->Cursor(), before);
  DB(view)->SetDataSource(nullptr);
  delete view;
}

// An explicitly empty caption is written as "IsCaptionAssigned" and read back.
TEST_F(TableDataFixture, EmptyCaptionSurvivesFormText) {
  auto* view = AddTableView<TDBTestView>("tv");
  TcxCustomGridTableItem* item = view->CreateItem();
  struct Filer : TFiler {
    std::vector<String> written;
    bool value = false, read = false;
    void DefineProperty(const String& name, const TReaderProc& r, const TWriterProc&, bool hasData) override {
      if (hasData) written.push_back(name);
      if (read && name == "IsCaptionAssigned") {
        struct BoolReader : TReader {
          bool v = false;
          bool ReadBoolean() override { return v; }
          TValueType NextValue() override { return TValueType(); }
          Int64 ReadInt64() override { return 0; }
          double ReadFloat() override { return 0; }
          String ReadString() override { return String(); }
          String ReadIdent() override { return String(); }
          void ReadListBegin() override {}
          void ReadListEnd() override {}
          bool EndOfList() override { return true; }
          void SkipValue() override {}
          String ReadBinary() override { return String(); }
          void DefineProperty(const String&, const TReaderProc&, const TWriterProc&, bool) override {}
          void DefineBinaryProperty(const String&, const TStreamProc&, const TStreamProc&, bool) override {}
        } reader;
        reader.v = value;
        r(reader);
      }
    }
    void DefineBinaryProperty(const String&, const TStreamProc&, const TStreamProc&, bool) override {}
  };
  Filer never;
  CallDefineProperties(item, &never);
  EXPECT_TRUE(never.written.empty());
  item->SetCaption("");
  Filer empty;
  CallDefineProperties(item, &empty);
  EXPECT_EQ(empty.written, std::vector<String>{"IsCaptionAssigned"});
  TcxCustomGridTableItem* other = view->CreateItem();
  Filer reading;
  reading.read = reading.value = true;
  CallDefineProperties(other, &reading);
  EXPECT_TRUE(other->IsCaptionAssigned());
  EXPECT_EQ(other->Caption(), "");
}

}  // namespace gridtest
