// Editing through the data set: edits, inserts, posts, cancels and deletes carried out on the
// data set, new records that hold only values the controller assigned, and a pending edit met
// by another controller's walk of the shared data set.
#include "tests/data/DBDataFixture.h"

using namespace dbdata_fixture;

namespace {

std::vector<String> DataSetNames(TDataSet& ds) {
  std::vector<String> v;
  String saved = ds.Bookmark();
  ds.First();
  while (!ds.Eof()) {
    v.push_back(ds.FieldByName("name")->IsNull() ? String("NULL") : ds.FieldByName("name")->AsString());
    ds.Next();
  }
  if (!saved.empty() && ds.BookmarkValid(saved)) ds.SetBookmark(saved);
  return v;
}

struct EditScene {
  People p;
  TTestDBController c;
  int id, name, city;
  explicit EditScene(int count = 4) : p(count) {
    id = c.AddColumn("id");
    name = c.AddColumn("name");
    city = c.AddColumn("city");
    c.SetDataSource(&p.src);
  }
};

}  // namespace

TEST(DBDataEdit, EditsArePostedToTheDataSet) {
  EditScene s;
  s.c.ChangeFocusedRowIndex(1);
  EXPECT_TRUE(s.c.SetEditValue(s.name, "zed", 0));
  EXPECT_EQ(s.p.ds.State(), dsEdit);
  EXPECT_EQ(s.c.GetDisplayText(1, s.name), "zed") << "the edited record is re-read while editing";
  s.c.Post();
  EXPECT_EQ(s.p.ds.State(), dsBrowse);
  EXPECT_EQ(DataSetNames(s.p.ds), (std::vector<String>{"n1", "zed", "n3", "n4"}));
  EXPECT_EQ(s.c.Column(s.name), (std::vector<String>{"n1", "zed", "n3", "n4"}));
  EXPECT_EQ(s.c.FocusedText(s.id), "2");
}

TEST(DBDataEdit, CancelRestoresTheRecord) {
  EditScene s;
  s.c.ChangeFocusedRowIndex(2);
  s.c.SetEditValue(s.name, "zed", 1);
  s.c.Cancel();
  EXPECT_EQ(s.p.ds.State(), dsBrowse);
  EXPECT_EQ(s.c.Column(s.name), (std::vector<String>{"n1", "n2", "n3", "n4"}));
}

TEST(DBDataEdit, ReadOnlyDataSetIsNeverPutIntoEditing) {
  EditScene s;
  s.p.ds.Close();
  s.p.ds.SetReadOnly(true);
  s.p.ds.Open();
  s.c.ChangeFocusedRowIndex(1);
  s.c.SetEditValue(s.name, "zed", 0);
  EXPECT_EQ(s.p.ds.State(), dsBrowse);
  EXPECT_EQ(DataSetNames(s.p.ds), (std::vector<String>{"n1", "n2", "n3", "n4"}));
}

TEST(DBDataEdit, InsertThroughTheControllerCreatesTheRecordOnTheDataSet) {
  EditScene s;
  s.c.ChangeFocusedRowIndex(2);
  s.c.Insert();
  EXPECT_EQ(s.p.ds.State(), dsInsert);
  EXPECT_EQ(s.c.RowCount(), 5) << "the data set's new record is mirrored";
  s.c.SetEditValue(s.id, 10, 0);
  s.c.SetEditValue(s.name, "new", 0);
  s.c.Post();
  EXPECT_EQ(DataSetNames(s.p.ds), (std::vector<String>{"n1", "n2", "new", "n3", "n4"}));
  EXPECT_EQ(s.c.Column(s.name), DataSetNames(s.p.ds));
}

TEST(DBDataEdit, InsertStartedOnTheDataSetIsMirroredWhereTheDataSetPutsIt) {
  struct Case {
    const char* name;
    std::function<void(TDataSet&)> start;
    int row;
  };
  const Case cases[] = {
      {"append", [](TDataSet& d) { d.Append(); }, 4},
      {"insert", [](TDataSet& d) { d.SetRecNo(2); d.Insert(); }, 1},
  };
  for (const Case& k : cases) {
    EditScene s;
    k.start(s.p.ds);
    EXPECT_EQ(s.c.RowCount(), 5) << k.name;
    EXPECT_EQ(s.c.FocusedRowIndex(), k.row) << k.name;
    EXPECT_EQ(s.c.FocusedText(s.name), "") << k.name;
    s.p.ds.Cancel();
    EXPECT_EQ(s.c.RowCount(), 4) << k.name;
  }
}

TEST(DBDataEdit, NewRecordHoldingOnlyAssignedGroupingValuesIsCancelled) {
  EditScene s;
  s.c.Groups()->ChangeItemGroupIndex(s.city, 0);
  s.c.ChangeFocusedRecordIndex(0);
  s.c.Insert();
  EXPECT_EQ(s.p.ds.FieldByName("city")->AsString(), "Oslo") << "the grouping value is assigned";
  s.c.EnsureBrowseMode();
  EXPECT_EQ(s.p.ds.State(), dsBrowse);
  EXPECT_EQ(s.p.ds.RecordCount(), 4) << "nothing typed: cancelled, not posted";
}

TEST(DBDataEdit, TypedValueIsNotThrownAwayByAnEarlierInsertsAssignedFields) {
  EditScene s;
  s.c.Groups()->ChangeItemGroupIndex(s.city, 0);
  s.c.ChangeFocusedRecordIndex(0);
  // An insert through the controller assigns the grouping value, and is posted.
  s.c.Insert();
  s.c.SetEditValue(s.name, "first", 0);
  s.c.Post();
  ASSERT_EQ(s.p.ds.RecordCount(), 5);
  // Another control appends on the data set; the user types only the city.
  s.p.ds.Append();
  ASSERT_EQ(s.p.ds.State(), dsInsert);
  s.c.SetEditValue(s.city, "Rome", 0);
  s.c.EnsureBrowseMode();
  EXPECT_EQ(s.p.ds.RecordCount(), 6) << "the typed record is posted";
  // And a value the controller assigned and the user then typed over counts as typed.
  s.c.ChangeFocusedRecordIndex(0);
  s.c.Insert();
  s.c.SetEditValue(s.city, "Lima", 0);
  s.c.EnsureBrowseMode();
  EXPECT_EQ(s.p.ds.RecordCount(), 7);
}

TEST(DBDataEdit, AnotherControllersWalkPostsTypedValuesAndDropsEmptyEdits) {
  struct Case {
    const char* name;
    bool type;
    std::vector<String> names;
  };
  const Case cases[] = {
      {"typed", true, {"n1", "typed", "n3", "n4"}},
      {"untouched", false, {"n1", "n2", "n3", "n4"}},
  };
  for (const Case& k : cases) {
    EditScene s;
    TTestDBController other;
    other.AddColumn("name");
    other.SetDataSource(&s.p.src);
    s.c.ChangeFocusedRowIndex(1);
    if (k.type)
      s.c.SetEditValue(s.name, "typed", 0);
    else
      s.p.ds.Edit();
    other.UpdateItems(true);  // reloads: walks the shared data set
    EXPECT_EQ(s.p.ds.State(), dsBrowse) << k.name;
    EXPECT_EQ(DataSetNames(s.p.ds), k.names) << k.name;
    EXPECT_EQ(other.Column(0), k.names) << k.name;
    EXPECT_EQ(s.c.Column(s.name), k.names) << k.name;
  }
}

TEST(DBDataEdit, DeletesRemoveExactlyTheChosenDataSetRecords) {
  {
    EditScene s(6);
    s.c.ChangeFocusedRowIndex(2);
    s.c.DeleteFocused();
    EXPECT_EQ(DataSetNames(s.p.ds), (std::vector<String>{"n1", "n2", "n4", "n5", "n6"}));
    EXPECT_EQ(s.c.FocusedText(s.name), "n4") << "the record after the deleted one";
  }
  for (bool keys : {false, true}) {
    EditScene s(6);
    if (keys) s.c.SetKeyFieldNames("id");
    s.c.SetMultiSelect(true);
    s.c.ChangeFocusedRowIndex(1);
    s.c.ClearSelection();
    for (int row : {1, 3, 5}) s.c.ChangeRowSelection(row, true);
    ASSERT_EQ(s.c.CountSelectedRows(), 3);
    s.c.DeleteSelection();
    EXPECT_EQ(DataSetNames(s.p.ds), (std::vector<String>{"n1", "n3", "n5"})) << "keys " << keys;
    EXPECT_EQ(s.c.Column(s.name), (std::vector<String>{"n1", "n3", "n5"})) << "keys " << keys;
  }
}

TEST(DBDataEdit, SmartRefreshRereadsOnlyThePostedRecord) {
  EditScene s(5);
  s.c.SetKeyFieldNames("id");
  s.c.DataModeController()->SetSmartRefresh(true);
  int loads = s.c.LoadCount();
  s.c.ChangeFocusedRowIndex(3);
  s.c.SetEditValue(s.name, "four", 0);
  s.c.Post();
  EXPECT_EQ(s.c.LoadCount(), loads) << "no reload";
  EXPECT_EQ(s.c.Column(s.name), (std::vector<String>{"n1", "n2", "n3", "four", "n5"}));
}

TEST(DBDataEdit, DoubleIntoADateTimeFieldIsStoredAsADate) {
  TMemDataSet ds(nullptr);
  ds.AddFieldDef("d", ftDateTime);
  ds.AppendRow({Variant(TDateTime(100.0))});
  TDataSource src(nullptr);
  src.SetDataSet(&ds);
  ds.Open();
  TTestDBController c;
  int d = c.AddColumn("d");
  c.SetDataSource(&src);
  EXPECT_EQ(c.ItemValueTypeClass(d), TcxDateTimeValueType::Class());
  c.ChangeFocusedRowIndex(0);
  c.SetEditValue(d, Variant(45000.5), 0);
  c.Post();
  EXPECT_DOUBLE_EQ(ds.FieldByName("d")->AsDateTime(), 45000.5);
  EXPECT_EQ(c.GetValue(0, d).VarType(), varDate);
}
