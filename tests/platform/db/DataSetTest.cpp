// The data set over the in-memory storage: navigation, bookmarks, editing, searching,
// filtering, calculated and lookup fields, and opening that fails.
#include <gtest/gtest.h>

#include <functional>

#include "db/MemDataSet.h"
#include "rtl/SysUtils.h"

namespace {

// People: id, name, city; five records.
struct People {
  TMemDataSet ds{nullptr};
  explicit People(bool open = true) {
    ds.AddFieldDef("id", ftInteger);
    ds.AddFieldDef("name", ftString, 20);
    ds.AddFieldDef("city", ftString, 20);
    const char* names[] = {"Ann", "bob", "Cid", "Dee", "Eve"};
    const char* cities[] = {"Oslo", "Rome", "Oslo", nullptr, "Lima"};
    for (int i = 0; i < 5; ++i) ds.AppendRow({i + 1, names[i], cities[i] ? Variant(cities[i]) : Null()});
    if (open) ds.Open();
  }
  Integer Id() { return ds.FieldByName("id")->AsInteger(); }
  String Name() { return ds.FieldByName("name")->AsString(); }
  // The ids in data-set order, the cursor left where it was.
  std::vector<Integer> Ids() {
    std::vector<Integer> ids;
    String bm = ds.Bookmark();
    ds.First();
    while (!ds.Eof()) {
      ids.push_back(Id());
      ds.Next();
    }
    if (!bm.empty() && ds.BookmarkValid(bm)) ds.SetBookmark(bm);
    return ids;
  }
};

TEST(DataSetNavigation, PositionsAndEnds) {
  People p;
  EXPECT_TRUE(p.ds.Bof());
  EXPECT_FALSE(p.ds.Eof());
  EXPECT_EQ(p.ds.RecordCount(), 5);
  EXPECT_EQ(p.ds.RecNo(), 1);
  EXPECT_EQ(p.ds.MoveBy(10), 4);
  EXPECT_TRUE(p.ds.Eof());
  EXPECT_EQ(p.Id(), 5);
  EXPECT_EQ(p.ds.MoveBy(-2), -2);
  EXPECT_FALSE(p.ds.Eof());
  EXPECT_EQ(p.ds.RecNo(), 3);
  p.ds.SetRecNo(5);
  EXPECT_EQ(p.Id(), 5);
  p.ds.Prior();
  p.ds.Prior();
  p.ds.Prior();
  p.ds.Prior();
  EXPECT_FALSE(p.ds.Bof());
  p.ds.Prior();
  EXPECT_TRUE(p.ds.Bof());
  EXPECT_EQ(p.Id(), 1);
  EXPECT_TRUE(p.ds.IsSequenced());
  EXPECT_FALSE(p.ds.IsEmpty());
}

TEST(DataSetBookmarks, SurviveChangesOfOtherRecordsAndCompareInOrder) {
  People p;
  p.ds.SetRecNo(4);
  String dee = p.ds.Bookmark();
  p.ds.SetRecNo(2);
  String bob = p.ds.Bookmark();
  EXPECT_LT(p.ds.CompareBookmarks(bob, dee), 0);
  EXPECT_GT(p.ds.CompareBookmarks(dee, bob), 0);
  EXPECT_EQ(p.ds.CompareBookmarks(dee, dee), 0);
  EXPECT_LT(p.ds.CompareBookmarks("", dee), 0);
  EXPECT_EQ(p.ds.CompareBookmarks("", ""), 0);

  // Records inserted before and deleted between leave both bookmarks on their records.
  p.ds.First();
  p.ds.InsertRecord({10, "New"});
  p.ds.SetRecNo(4);  // Cid
  p.ds.Delete();
  p.ds.SetBookmark(dee);
  EXPECT_EQ(p.Name(), "Dee");
  p.ds.SetBookmark(bob);
  EXPECT_EQ(p.Name(), "bob");

  p.ds.Delete();
  EXPECT_FALSE(p.ds.BookmarkValid(bob));
  EXPECT_FALSE(p.ds.BookmarkValid("garbage"));
  p.ds.SetBookmark(dee);
  EXPECT_THROW(p.ds.SetBookmark(bob), EDatabaseError);
  EXPECT_EQ(p.Name(), "Dee");
  p.ds.Close();
  EXPECT_FALSE(p.ds.BookmarkValid(dee));
  EXPECT_EQ(p.ds.Bookmark(), "");
}

struct EditCase {
  const char* name;
  std::function<void(People&)> action;
  std::vector<Integer> ids;  // ids afterwards, in order
  Integer current;           // the current record's id afterwards
};

const EditCase kEditCases[] = {
    {"edit and post",
     [](People& p) {
       p.ds.SetRecNo(2);
       p.ds.Edit();
       p.ds.FieldByName("id")->SetAsInteger(20);
       p.ds.Post();
     },
     {1, 20, 3, 4, 5}, 20},
    {"edit and cancel",
     [](People& p) {
       p.ds.SetRecNo(2);
       p.ds.Edit();
       p.ds.FieldByName("id")->SetAsInteger(20);
       p.ds.Cancel();
     },
     {1, 2, 3, 4, 5}, 2},
    {"insert goes before the current record",
     [](People& p) {
       p.ds.SetRecNo(3);
       p.ds.Insert();
       p.ds.FieldByName("id")->SetAsInteger(30);
       p.ds.Post();
     },
     {1, 2, 30, 3, 4, 5}, 30},
    {"append goes to the end",
     [](People& p) {
       p.ds.SetRecNo(2);
       p.ds.Append();
       p.ds.FieldByName("id")->SetAsInteger(60);
       p.ds.Post();
     },
     {1, 2, 3, 4, 5, 60}, 60},
    {"cancelled insert leaves the cursor where it was",
     [](People& p) {
       p.ds.SetRecNo(3);
       p.ds.Insert();
       p.ds.Cancel();
     },
     {1, 2, 3, 4, 5}, 3},
    {"cancelled append shows the last record",
     [](People& p) {
       p.ds.SetRecNo(2);
       p.ds.Append();
       p.ds.Cancel();
     },
     {1, 2, 3, 4, 5}, 5},
    {"delete moves to the next record",
     [](People& p) {
       p.ds.SetRecNo(2);
       p.ds.Delete();
     },
     {1, 3, 4, 5}, 3},
    {"delete of the last moves to the new last",
     [](People& p) {
       p.ds.Last();
       p.ds.Delete();
     },
     {1, 2, 3, 4}, 4},
    {"moving posts a modified record",
     [](People& p) {
       p.ds.Edit();
       p.ds.FieldByName("id")->SetAsInteger(11);
       p.ds.Next();
     },
     {11, 2, 3, 4, 5}, 2},
    {"moving cancels an unmodified insert",
     [](People& p) {
       p.ds.SetRecNo(2);
       p.ds.Insert();
       p.ds.Next();
     },
     {1, 2, 3, 4, 5}, 3},
    {"deleting while inserting cancels",
     [](People& p) {
       p.ds.Insert();
       p.ds.Delete();
     },
     {1, 2, 3, 4, 5}, 1},
};

void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }

class DataSetEditing : public testing::TestWithParam<EditCase> {};

TEST_P(DataSetEditing, RecordsAndCursorAfterwards) {
  for (Integer buffers : {1, 3, 10}) {
    People p;
    TDataSource src(nullptr);
    src.SetDataSet(&p.ds);
    TDataLink link;
    link.SetBufferCount(buffers);
    link.SetDataSource(&src);
    GetParam().action(p);
    EXPECT_EQ(p.ds.State(), dsBrowse);
    EXPECT_EQ(p.Id(), GetParam().current) << "window of " << buffers;
    EXPECT_EQ(p.Ids(), GetParam().ids) << "window of " << buffers;
    EXPECT_EQ(p.ds.RecordCount(), Integer(GetParam().ids.size()));
    link.SetDataSource(nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, DataSetEditing, testing::ValuesIn(kEditCases), [](const auto& info) {
  String n;
  for (char ch : String(info.param.name)) n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
  return n;
});

TEST(DataSetEditing, EditingKeepsValuesOfColumnsWithoutFields) {
  TMemDataSet ds(nullptr);
  ds.AddFieldDef("a", ftInteger);
  ds.AddFieldDef("b", ftString, 10);
  ds.AppendRow({1, "keep"});
  TIntegerField a(&ds);  // a persistent field for "a" only
  a.SetFieldName("a");
  a.SetDataSet(&ds);
  ds.Open();
  ds.Edit();
  a.SetAsInteger(2);
  ds.Post();
  ds.Close();
  a.SetDataSet(nullptr);
  ds.Open();
  EXPECT_EQ(ds.FieldByName("b")->AsString(), "keep");
  EXPECT_EQ(ds.FieldByName("a")->AsInteger(), 2);
}

TEST(DataSetEditing, RefusedOperationsRaiseAndChangeNothing) {
  People p;
  TField* id = p.ds.FieldByName("id");
  EXPECT_THROW(id->SetAsInteger(9), EDatabaseError);  // browsing
  p.ds.SetReadOnly(true);
  EXPECT_THROW(p.ds.Edit(), EDatabaseError);
  EXPECT_THROW(p.ds.Insert(), EDatabaseError);
  EXPECT_FALSE(p.ds.CanModify());
  p.ds.SetReadOnly(false);

  // A required field refuses an empty record and keeps it in insert state.
  p.ds.Close();
  TMemDataSet req(nullptr);
  req.AddFieldDef("code", ftString, 5);
  req.Open();
  req.FieldByName("code")->SetRequired(true);
  req.Append();
  EXPECT_THROW(req.Post(), EDatabaseError);
  EXPECT_EQ(req.State(), dsInsert);
  req.FieldByName("code")->SetAsString("X");
  req.Post();
  EXPECT_EQ(req.RecordCount(), 1);

  // OnValidate sees the new value and may refuse it; the old one stays.
  req.Edit();
  req.FieldByName("code")->OnValidate = [](TField* f) {
    if (f->AsString() == "bad") throw EDatabaseError("no");
  };
  EXPECT_THROW(req.FieldByName("code")->SetAsString("bad"), EDatabaseError);
  EXPECT_EQ(req.FieldByName("code")->AsString(), "X");
  req.FieldByName("code")->SetAsString("ok");
  req.Post();
  EXPECT_EQ(req.FieldByName("code")->AsString(), "ok");

  // A handler that aborts BeforePost leaves the record being edited.
  req.BeforePost = [](TDataSet*) { Abort(); };
  req.Edit();
  req.FieldByName("code")->SetAsString("no");
  EXPECT_THROW(req.Post(), EAbort);
  EXPECT_EQ(req.State(), dsEdit);
  req.Cancel();
  EXPECT_EQ(req.FieldByName("code")->AsString(), "ok");
}

TEST(DataSetEvents, BeforeAndAfterHandlersInOrder) {
  People p(false);
  std::vector<String> log;
  auto note = [&](const char* n) { return [&log, n](TDataSet*) { log.push_back(n); }; };
  p.ds.BeforeOpen = note("BeforeOpen");
  p.ds.AfterOpen = note("AfterOpen");
  p.ds.BeforeScroll = note("BeforeScroll");
  p.ds.AfterScroll = note("AfterScroll");
  p.ds.BeforeEdit = note("BeforeEdit");
  p.ds.AfterEdit = note("AfterEdit");
  p.ds.BeforePost = note("BeforePost");
  p.ds.AfterPost = note("AfterPost");
  p.ds.BeforeInsert = note("BeforeInsert");
  p.ds.AfterInsert = note("AfterInsert");
  p.ds.OnNewRecord = note("OnNewRecord");
  p.ds.BeforeCancel = note("BeforeCancel");
  p.ds.AfterCancel = note("AfterCancel");
  p.ds.BeforeDelete = note("BeforeDelete");
  p.ds.AfterDelete = note("AfterDelete");
  p.ds.BeforeClose = note("BeforeClose");
  p.ds.AfterClose = note("AfterClose");
  struct Step {
    std::function<void()> op;
    std::vector<String> expected;
  } steps[] = {
      {[&] { p.ds.Open(); }, {"BeforeOpen", "AfterOpen", "AfterScroll"}},
      {[&] { p.ds.Next(); }, {"BeforeScroll", "AfterScroll"}},
      {[&] { p.ds.Edit(); }, {"BeforeEdit", "AfterEdit"}},
      {[&] { p.ds.FieldByName("name")->SetAsString("Zed"); p.ds.Post(); }, {"BeforePost", "AfterPost"}},
      {[&] { p.ds.Insert(); }, {"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll"}},
      {[&] { p.ds.Cancel(); }, {"BeforeCancel", "AfterCancel"}},
      {[&] { p.ds.Delete(); }, {"BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"}},
      {[&] { p.ds.Close(); }, {"BeforeClose", "AfterClose"}},
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    log.clear();
    steps[i].op();
    EXPECT_EQ(log, steps[i].expected) << "step " << i;
  }
}

struct LocateCase {
  const char* fields;
  Variant values;
  TLocateOptions options;
  Integer found;  // id of the record found, 0 for none
};

TEST(DataSetSearching, LocateByFieldListsAndOptions) {
  const LocateCase cases[] = {
      {"name", "Cid", {}, 3},
      {"name", "cid", {}, 0},
      {"name", "cid", {loCaseInsensitive}, 3},
      {"name", "De", {loPartialKey}, 4},
      {"name", "de", {loPartialKey, loCaseInsensitive}, 4},
      {"city", "Oslo", {}, 1},
      {"city", Null(), {}, 4},
      {"name;city", VarArrayOf({"Cid", "Oslo"}), {}, 3},
      {"name; city", VarArrayOf({"Cid", "Rome"}), {}, 0},
      {"id", "5", {}, 5},
      {"id", 2.0, {}, 2},
  };
  for (const LocateCase& c : cases) {
    People p;
    p.ds.SetRecNo(2);
    bool ok = p.ds.Locate(c.fields, c.values, c.options);
    EXPECT_EQ(ok, c.found != 0) << c.fields << " " << VarToStr(c.values);
    EXPECT_EQ(p.Id(), c.found != 0 ? c.found : 2) << c.fields << " " << VarToStr(c.values);
  }
  People p;
  EXPECT_THROW(p.ds.Locate("nope", 1, {}), EDatabaseError);
}

TEST(DataSetSearching, LookupAndFieldValuesLeaveTheCursorAlone) {
  People p;
  p.ds.SetRecNo(2);
  EXPECT_EQ(VarToStr(p.ds.Lookup("id", 4, "name")), "Dee");
  Variant both = p.ds.Lookup("name", "Eve", "id;city");
  ASSERT_TRUE(VarIsArray(both));
  EXPECT_EQ(both.GetElement(0).AsInteger(), 5);
  EXPECT_EQ(VarToStr(both.GetElement(1)), "Lima");
  EXPECT_TRUE(VarIsNull(p.ds.Lookup("id", 99, "name")));
  EXPECT_EQ(p.Id(), 2);

  Variant v = p.ds.FieldValues("id;name");
  EXPECT_EQ(v.GetElement(0).AsInteger(), 2);
  EXPECT_EQ(VarToStr(v.GetElement(1)), "bob");
  p.ds.Edit();
  p.ds.SetFieldValues("name;city", VarArrayOf({"Bo", Null()}));
  p.ds.Post();
  EXPECT_EQ(p.Name(), "Bo");
  EXPECT_TRUE(p.ds.FieldByName("city")->IsNull());
  std::vector<TField*> list;
  p.ds.GetFieldList(list, "city; id");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1]->FieldName(), "id");
}

TEST(DataSetFilter, FilterTextsAndOptions) {
  struct Case {
    const char* filter;
    TFilterOptions options;
    std::vector<Integer> ids;
  } cases[] = {
      {"city = 'Oslo'", {}, {1, 3}},
      {"[city] <> 'Oslo'", {}, {2, 5}},
      {"city IS NULL", {}, {4}},
      {"city = NULL", {}, {4}},
      {"city IS NOT NULL AND id > 2", {}, {3, 5}},
      {"(id < 2) OR (name = 'Eve')", {}, {1, 5}},
      {"NOT (city = 'Oslo')", {}, {2, 4, 5}},
      {"name = 'BOB'", {}, {}},
      {"name = 'BOB'", {foCaseInsensitive}, {2}},
      {"name = 'D*'", {}, {4}},
      {"name = 'D*'", {foNoPartialCompare}, {}},
      {"name LIKE '%e'", {}, {4, 5}},
      {"name NOT LIKE '_o_'", {}, {1, 3, 4, 5}},
      {"name LIKE '%%e%'", {}, {4, 5}},
      {"name LIKE 'E_e'", {}, {5}},
      {"city LIKE '%o%o%'", {}, {}},
      {"city LIKE '%o'", {}, {1, 3}},
      {"id BETWEEN 2 AND 4", {}, {2, 3, 4}},
      {"id NOT BETWEEN 2 AND 4", {}, {1, 5}},
      {"name IN ('Ann', 'Eve', 'nobody')", {}, {1, 5}},
      {"city NOT IN ('Oslo')", {}, {2, 4, 5}},
      {"(id >= 2) AND (id <= 3) OR NOT (id <> 5)", {}, {2, 3, 5}},
      {"id >= 4", {}, {4, 5}},
      {"", {}, {1, 2, 3, 4, 5}},
  };
  for (const Case& c : cases) {
    People p;
    p.ds.SetFilter(c.filter);
    p.ds.SetFilterOptions(c.options);
    p.ds.SetFiltered(true);
    EXPECT_EQ(p.Ids(), c.ids) << c.filter;
    EXPECT_EQ(p.ds.RecordCount(), Integer(c.ids.size())) << c.filter;
  }
  // A pattern of many runs against a long text ends at once.
  TMemDataSet big(nullptr);
  big.AddFieldDef("t", ftMemo);
  big.AppendRow({String(20000, 'a')});
  big.Open();
  big.SetFilter("t LIKE '%a%a%a%a%a%a%a%a%a%a%b'");
  big.SetFiltered(true);
  EXPECT_EQ(big.RecordCount(), 0);

  People p;
  EXPECT_THROW(p.ds.SetFilter("id = = 3"), EDatabaseError);
  EXPECT_THROW(p.ds.SetFilter("name = 'open"), EDatabaseError);
  EXPECT_THROW(p.ds.SetFilter("id IN (1, 2"), EDatabaseError);
  EXPECT_THROW(p.ds.SetFilter("id BETWEEN 1"), EDatabaseError);
}

TEST(DataSetFilter, OnFilterRecordAndEditsOutsideTheFilter) {
  People p;
  p.ds.OnFilterRecord = [](TDataSet* ds, bool& accept) { accept = ds->FieldByName("id")->AsInteger() % 2 == 1; };
  p.ds.SetFiltered(true);
  EXPECT_EQ(p.Ids(), (std::vector<Integer>{1, 3, 5}));
  // A record edited out of the filter leaves the view.
  p.ds.SetRecNo(2);
  p.ds.Edit();
  p.ds.FieldByName("id")->SetAsInteger(4);
  p.ds.Post();
  EXPECT_EQ(p.Ids(), (std::vector<Integer>{1, 5}));
  p.ds.SetFiltered(false);
  EXPECT_EQ(p.Ids(), (std::vector<Integer>{1, 2, 4, 4, 5}));
}

TEST(DataSetFields, CalculatedAndLookupFields) {
  TMemDataSet cities(nullptr);
  cities.AddFieldDef("city", ftString, 20);
  cities.AddFieldDef("country", ftString, 20);
  cities.AppendRow({"Oslo", "Norway"});
  cities.AppendRow({"Rome", "Italy"});
  cities.Open();

  People p(false);
  // Persistent fields: the data fields, a calculated one and a lookup one.
  TIntegerField id(&p.ds);
  id.SetFieldName("id");
  id.SetDataSet(&p.ds);
  TStringField city(&p.ds);
  city.SetFieldName("city");
  city.SetDataSet(&p.ds);
  TIntegerField twice(&p.ds);
  twice.SetFieldName("twice");
  twice.SetFieldKind(fkCalculated);
  twice.SetDataSet(&p.ds);
  TStringField country(&p.ds);
  country.SetFieldName("country");
  country.SetFieldKind(fkLookup);
  country.SetLookupDataSet(&cities);
  country.SetKeyFields("city");
  country.SetLookupKeyFields("city");
  country.SetLookupResultField("country");
  country.SetDataSet(&p.ds);
  p.ds.OnCalcFields = [&](TDataSet*) { twice.SetAsInteger(id.AsInteger() * 2); };
  p.ds.Open();
  EXPECT_FALSE(p.ds.DefaultFields());
  EXPECT_EQ(p.ds.FindField("name"), nullptr);

  std::vector<String> seen;
  p.ds.First();
  while (!p.ds.Eof()) {
    seen.push_back(twice.AsString() + ":" + (country.IsNull() ? String("-") : country.AsString()));
    p.ds.Next();
  }
  EXPECT_EQ(seen, (std::vector<String>{"2:Norway", "4:Italy", "6:Norway", "8:-", "10:-"}));
  EXPECT_FALSE(country.CanModify());
  EXPECT_TRUE(p.ds.Locate("twice", 6, {}));
  EXPECT_EQ(id.AsInteger(), 3);

  // Values change as the record is edited.
  p.ds.Edit();
  city.SetAsString("Rome");
  id.SetAsInteger(7);
  EXPECT_EQ(country.AsString(), "Italy");
  EXPECT_EQ(twice.AsInteger(), 14);
  p.ds.Cancel();
  EXPECT_EQ(country.AsString(), "Norway");
  p.ds.Close();
}

TEST(DataSetOpening, FailureLeavesTheDataSetClosedAndUsable) {
  People p(false);
  TIntegerField missing(&p.ds);
  missing.SetFieldName("nothere");
  missing.SetDataSet(&p.ds);
  int afterOpen = 0;
  p.ds.AfterOpen = [&](TDataSet*) { ++afterOpen; };
  try {
    p.ds.Open();
    ADD_FAILURE() << "opened";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(e.Message().find("Field 'nothere' not found"), String::npos) << e.Message();
  }
  EXPECT_FALSE(p.ds.Active());
  EXPECT_EQ(p.ds.State(), dsInactive);
  EXPECT_EQ(afterOpen, 0);
  EXPECT_EQ(p.ds.FieldCount(), 1);  // the persistent field stays
  missing.SetDataSet(nullptr);
  p.ds.Open();
  EXPECT_EQ(p.ds.FieldCount(), 3);
  EXPECT_EQ(p.ds.RecordCount(), 5);
  EXPECT_EQ(afterOpen, 1);
}

TEST(DataSetOpening, DefaultFieldsComeAndGoWithTheCursor) {
  People p(false);
  EXPECT_EQ(p.ds.FieldCount(), 0);
  p.ds.Open();
  EXPECT_TRUE(p.ds.DefaultFields());
  EXPECT_EQ(p.ds.FieldCount(), 3);
  std::vector<String> names;
  p.ds.GetFieldNames(names);
  EXPECT_EQ(names, (std::vector<String>{"id", "name", "city"}));
  EXPECT_EQ(p.ds.FieldByName("NAME")->FieldName(), "name");
  EXPECT_THROW(p.ds.FieldByName("nope"), EDatabaseError);
  p.ds.Close();
  EXPECT_EQ(p.ds.FieldCount(), 0);
  EXPECT_EQ(p.ds.RecordCount(), 0);
  p.ds.Open();
  EXPECT_EQ(p.ds.RecordCount(), 5);
}

TEST(DataSetOpening, DestroyingAnOpenDataSetCallsNoHandlersAndDetachesLinks) {
  auto* ds = new TMemDataSet(nullptr);
  ds->AddFieldDef("a", ftInteger);
  ds->Open();
  int calls = 0;
  ds->BeforeClose = [&](TDataSet*) { ++calls; };
  ds->AfterClose = [&](TDataSet*) { ++calls; };
  TDataSource src(nullptr);
  src.SetDataSet(ds);
  TDataLink link;
  link.SetDataSource(&src);
  EXPECT_TRUE(link.Active());
  delete ds;
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(link.Active());
  EXPECT_EQ(src.DataSet(), nullptr);
  EXPECT_EQ(link.RecordCount(), 0);
}

TEST(Params, ByNameAndLists) {
  TMemQuery q(nullptr);
  q.Params()->CreateParam(ftUnknown, "Id", ptInput)->SetValue(5);
  q.Params()->CreateParam(ftString, "city", ptInput)->SetAsString("Oslo");
  EXPECT_EQ(q.Params()->ParamByName("ID")->AsInteger(), 5);
  EXPECT_EQ(q.Params()->ParamByName("id")->DataType(), ftInteger);
  EXPECT_EQ(q.Params()->FindParam("x"), nullptr);
  EXPECT_THROW(q.Params()->ParamByName("x"), EDatabaseError);
  q.Params()->SetParamValues("id;city", VarArrayOf({7, "Rome"}));
  Variant v = q.Params()->ParamValues("id;city");
  EXPECT_EQ(v.GetElement(0).AsInteger(), 7);
  EXPECT_EQ(VarToStr(v.GetElement(1)), "Rome");
  TParams copy;
  copy.Assign(q.Params());
  EXPECT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.ParamByName("city")->AsString(), "Rome");
}

TEST(FieldNameLists, SplitAsDataSetsDo) {
  EXPECT_EQ(SplitFieldNames(""), std::vector<String>{});
  EXPECT_EQ(SplitFieldNames("a"), std::vector<String>{"a"});
  EXPECT_EQ(SplitFieldNames(" a ; b;;c "), (std::vector<String>{"a", "b", "", "c"}));
  EXPECT_EQ(SplitFieldNames("a;"), (std::vector<String>{"a", ""}));
}

}  // namespace

// An owner frees its data source and the data set it names in either order (a form that lists
// the source first frees the data set while the source still names it).
TEST(DataSetOwnership, AnOwnerFreesASourceAndItsDataSetInEitherOrder) {
  for (bool sourceFirst : {true, false}) {
    auto* owner = new TComponent(nullptr);
    TDataSource* source = sourceFirst ? new TDataSource(owner) : nullptr;
    auto* ds = new TMemDataSet(owner);
    if (!source) source = new TDataSource(owner);
    ds->AddFieldDef("A", ftInteger);
    ds->Open();
    source->SetDataSet(ds);
    owner->Free();
  }
}
