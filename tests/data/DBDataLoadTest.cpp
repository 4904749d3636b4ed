// The data-set controller in full mode: loading, focus and cursor in step, closing and
// reopening, and the CSV query shared by two controllers through the application's import.
#include "tests/data/DBDataFixture.h"

using namespace dbdata_fixture;

namespace {

std::vector<String> Ids(int from, int to) {
  std::vector<String> v;
  for (int i = from; i <= to; ++i) v.push_back(std::to_string(i));
  return v;
}

}  // namespace

TEST(DBDataLoad, OpeningLoadsEveryRecordInOrderAndFocusesTheCurrentOne) {
  People p(5);
  p.ds.MoveBy(2);
  TTestDBController c;
  c.AddColumn("id");
  c.AddColumn("name");
  c.SetDataSource(&p.src);
  EXPECT_EQ(c.Column(0), Ids(1, 5));
  EXPECT_EQ(c.Column(1), (std::vector<String>{"n1", "n2", "n3", "n4", "n5"}));
  EXPECT_EQ(c.FocusedText(0), "3");
  EXPECT_EQ(p.Id(), 3) << "loading leaves the cursor where it was";
  EXPECT_EQ(c.ItemValueTypeClass(0), TcxIntegerValueType::Class());
  EXPECT_EQ(c.ItemDataSetField(1), p.ds.FieldByName("name"));
}

TEST(DBDataLoad, ClosingEmptiesAndReopeningReloads) {
  People p(4);
  TTestDBController c;
  c.AddColumn("id");
  c.SetDataSource(&p.src);
  p.ds.Close();
  EXPECT_EQ(c.RowCount(), 0);
  EXPECT_EQ(c.ItemDataSetField(0), nullptr) << "default fields went away with the close";
  p.ds.AppendRow({9, "n9", "Oslo"});
  p.ds.Open();
  EXPECT_EQ(c.Column(0), (std::vector<String>{"1", "2", "3", "4", "9"}));
  EXPECT_EQ(c.ItemDataSetField(0), p.ds.FieldByName("id"));
}

TEST(DBDataLoad, CursorMovesMoveTheFocus) {
  struct Case {
    const char* name;
    std::function<void(TDataSet&)> move;
    const char* focused;
  };
  const Case cases[] = {
      {"next", [](TDataSet& d) { d.Next(); }, "2"},
      {"by three", [](TDataSet& d) { d.MoveBy(3); }, "4"},
      {"last", [](TDataSet& d) { d.Last(); }, "6"},
      {"last then prior", [](TDataSet& d) { d.Last(); d.Prior(); }, "5"},
      {"past the end", [](TDataSet& d) { d.MoveBy(50); }, "6"},
      {"record number", [](TDataSet& d) { d.SetRecNo(4); }, "4"},
      {"locate", [](TDataSet& d) { d.Locate("name", "n5", {}); }, "5"},
      {"locate missing", [](TDataSet& d) { d.Locate("name", "zz", {}); }, "1"},
  };
  for (const Case& k : cases) {
    People p(6);
    TTestDBController c;
    c.AddColumn("id");
    c.SetDataSource(&p.src);
    k.move(p.ds);
    EXPECT_EQ(c.FocusedText(0), k.focused) << k.name;
  }
}

TEST(DBDataLoad, FocusMovesTheCursor) {
  People p(6);
  TTestDBController c;
  c.AddColumn("id");
  c.SetDataSource(&p.src);
  for (int row : {3, 5, 0, 2}) {
    c.ChangeFocusedRowIndex(row);
    EXPECT_EQ(p.Id(), row + 1) << row;
    EXPECT_EQ(c.FocusedRowIndex(), row);
  }
  c.GotoLast();
  EXPECT_EQ(p.Id(), 6);
}

// Moving the cursor to the record focused after a filter change notifies the controller from
// inside its own run: the run takes that in, and each record is tested once per change.
TEST(DBDataLoad, FilterChangeTestsEachRecordOnceAndTheCursorFollowsTheFocus) {
  People p(6);
  TTestDBController c;
  c.AddColumn("id");
  c.SetDataSource(&p.src);
  int tested = 0;
  c.SetOnFilterRecord([&](TcxCustomDataController*, int, bool& accept) {
    ++tested;
    accept = true;
  });
  c.Filter()->SetActive(true);
  tested = 0;
  c.Filter()->AddItem(nullptr, c.ItemObject(0), foGreater, 3, "3");
  EXPECT_EQ(tested, 6);
  EXPECT_EQ(c.FilteredRecordCount(), 3);
  EXPECT_EQ(c.FocusedText(0), "4");
  EXPECT_EQ(p.Id(), 4);
}

TEST(DBDataLoad, WithKeyFieldsTheFocusFollowsTheKeyWhereverSortingPutIt) {
  People p(5);
  TTestDBController c;
  c.AddColumn("id");
  int name = c.AddColumn("name");
  c.SetKeyFieldNames("id");
  c.SetDataSource(&p.src);
  c.ChangeItemSortOrder(name, soDescending);
  EXPECT_EQ(c.Column(0), (std::vector<String>{"5", "4", "3", "2", "1"}));
  p.ds.SetRecNo(2);
  EXPECT_EQ(c.FocusedText(0), "2");
  EXPECT_EQ(c.FocusedRowIndex(), 3);
  c.ChangeFocusedRowIndex(0);
  EXPECT_EQ(p.Id(), 5) << "the cursor is located by key";
  EXPECT_EQ(c.LocateByKey(4), 3);
  EXPECT_TRUE(c.LocateByKeyValue(3));
  EXPECT_EQ(p.Id(), 3);
  EXPECT_FALSE(c.LocateByKeyValue(42));
  EXPECT_EQ(p.Id(), 3) << "a failed locate leaves focus and cursor alone";
}

TEST(DBDataLoad, ReloadKeepsTheCursorOnItsRecord) {
  People p(60);
  TTestDBController c;
  c.AddColumn("id");
  c.SetDataSource(&p.src);
  p.ds.SetRecNo(37);
  p.ds.Refresh();
  EXPECT_EQ(p.Id(), 37);
  EXPECT_EQ(c.FocusedText(0), "37");
  EXPECT_EQ(c.RowCount(), 60);
}

TEST(DBDataLoad, KeyFieldTheDataSetLacksRaisesWhenKeyValuesAreNeeded) {
  People p(3);
  TTestDBController c;
  c.AddColumn("id");
  c.SetDataSource(&p.src);
  auto expectKeyError = [](const std::function<void()>& f, const char* what) {
    try {
      f();
      ADD_FAILURE() << what << ": no error";
    } catch (const EcxInvalidDataControllerOperation& e) {
      EXPECT_STREQ(e.what(), "Key Field not found") << what;
    }
  };
  // Key navigation needs the key of the current record at once.
  expectKeyError([&] { c.SetKeyFieldNames("nope"); }, "setting the names");
  expectKeyError([&] { c.DataSetKeyValues(); }, "reading the key");
  c.SetKeyFieldNames("id");
  p.ds.SetRecNo(2);
  EXPECT_EQ(c.DataSetKeyValues(), Variant(2));
  EXPECT_EQ(c.FocusedText(0), "2") << "the controller works again once the names are right";
}

TEST(DBDataLoad, SyncModeOffLeavesFocusAndCursorApart) {
  People p(5);
  TTestDBController c;
  c.AddColumn("id");
  c.SetDataSource(&p.src);
  c.DataModeController()->SetSyncMode(false);
  p.ds.MoveBy(3);
  EXPECT_EQ(c.FocusedText(0), "1");
  c.ChangeFocusedRowIndex(2);
  EXPECT_EQ(p.Id(), 4);
  c.DataModeController()->SetSyncMode(true);
  EXPECT_EQ(c.FocusedText(0), "4") << "switching sync mode on re-synchronises at once";
}

// ---------------------------------------------------------------------------------------------
// The CSV query shared by two controllers

namespace {

struct ImportScene {
  TCsvFolder folder;
  TADOQuery q{nullptr};
  TDataSource src{nullptr};
  TTestDBController grid, pivot;
  ImportScene() {
    folder.Write("a.csv", "id,name\r\n1,Ann\r\n2,Bob\r\n3,Cid\r\n");
    folder.Write("b.csv", "code,city,price\r\nK1,Oslo,1.5\r\nK2,Rome,2.25\r\nK3,Lima,3\r\nK4,Kyiv,4.5\r\n");
    q.SetCursorType(ctStatic);
    q.SetLockType(ltReadOnly);
    src.SetDataSet(&q);
    grid.SetDataSource(&src);
    pivot.SetDataSource(&src);
  }
  // The application's import: controls disabled, columns and fields dropped, the query
  // re-aimed (unless the dialog was cancelled), columns made from the fields, controls enabled.
  void Import(const char* file) {
    q.DisableControls();
    try {
      grid.ClearColumns();
      pivot.ClearColumns();
      if (file != nullptr) {
        q.Close();
        folder.Aim(q, file);
        q.Open();
      }
    } catch (...) {
      grid.ColumnsFromDataSet();
      pivot.ColumnsFromDataSet();
      q.EnableControls();
      throw;
    }
    grid.ColumnsFromDataSet();
    pivot.ColumnsFromDataSet();
    q.EnableControls();
  }
};

}  // namespace

TEST(DBDataImport, TwoControllersGetTheNewFieldsAndRecordsWithOneLoadEach) {
  ImportScene s;
  struct Step {
    const char* file;
    std::vector<String> firstColumn;
    int columns;
  };
  const Step steps[] = {
      {"a.csv", {"1", "2", "3"}, 2},             // the first import opens a closed query
      {"b.csv", {"K1", "K2", "K3", "K4"}, 3},    // close, reopen on another file
      {"a.csv", {"1", "2", "3"}, 2},
  };
  for (const Step& st : steps) {
    int gridLoads = s.grid.LoadCount(), pivotLoads = s.pivot.LoadCount();
    s.Import(st.file);
    for (TTestDBController* c : {&s.grid, &s.pivot}) {
      EXPECT_EQ(c->GetItemCount(), st.columns) << st.file;
      EXPECT_EQ(c->Column(0), st.firstColumn) << st.file;
      for (int i = 0; i < c->GetItemCount(); ++i)
        EXPECT_EQ(c->ItemDataSetField(i), s.q.Fields()->Fields(i)) << st.file << " item " << i;
    }
    EXPECT_EQ(s.grid.LoadCount() - gridLoads, 1) << st.file;
    EXPECT_EQ(s.pivot.LoadCount() - pivotLoads, 1) << st.file;
  }
  EXPECT_EQ(s.grid.Column(1), (std::vector<String>{"Ann", "Bob", "Cid"}));
}

TEST(DBDataImport, CancelledReopenKeepsThePreviousRecords) {
  ImportScene s;
  s.Import("b.csv");
  s.Import(nullptr);
  for (TTestDBController* c : {&s.grid, &s.pivot}) {
    EXPECT_EQ(c->Column(0), (std::vector<String>{"K1", "K2", "K3", "K4"}));
    EXPECT_EQ(c->Column(1), (std::vector<String>{"Oslo", "Rome", "Lima", "Kyiv"}));
  }
}

TEST(DBDataImport, DataSetThatFailsToOpenLeavesControllersEmptyAndUsable) {
  ImportScene s;
  s.Import("a.csv");
  EXPECT_THROW(s.Import("missing.csv"), Exception);
  EXPECT_FALSE(s.q.Active());
  for (TTestDBController* c : {&s.grid, &s.pivot}) {
    EXPECT_EQ(c->RowCount(), 0);
    EXPECT_EQ(c->GetItemCount(), 0);
  }
  s.Import("b.csv");
  for (TTestDBController* c : {&s.grid, &s.pivot}) EXPECT_EQ(c->Column(1), (std::vector<String>{"Oslo", "Rome", "Lima", "Kyiv"}));
}

TEST(DBDataImport, BothControllersFollowTheSharedCursor) {
  ImportScene s;
  s.Import("b.csv");
  s.q.MoveBy(2);
  EXPECT_EQ(s.grid.FocusedText(0), "K3");
  EXPECT_EQ(s.pivot.FocusedText(0), "K3");
  s.grid.ChangeFocusedRowIndex(0);
  EXPECT_EQ(s.q.FieldByName("code")->AsString(), "K1");
  EXPECT_EQ(s.pivot.FocusedText(0), "K1");
}

namespace {

// Masters 1..3 and a detail data set whose records of master 1 come in two runs.
struct DetailScene {
  People masters{3};
  TMemDataSet details{nullptr};
  TDataSource detailSrc{nullptr};
  // The master makes one clone per expanded record, as a grid's detail level does.
  class TMaster : public TTestDBController {
   public:
    explicit TMaster(DetailScene* s) : scene_(s) {}
    struct TLink : TObject {
      std::unique_ptr<TTestDBController> Clone;
    };
    TObject* CreateDetailLinkObject(TcxCustomDataRelation* relation, int recordIndex) override {
      auto* link = new TLink;
      link->Clone = std::make_unique<TTestDBController>();
      TTestDBController* c = link->Clone.get();
      c->AddColumn("item");
      c->SetDetailKeyFieldNames(scene_->pattern.DetailKeyFieldNames());
      c->SetMasterKeyFieldNames(scene_->pattern.MasterKeyFieldNames());
      c->SetDataSource(&scene_->detailSrc);
      c->SetMasterRelation(relation, recordIndex);
      return link;
    }
    TcxCustomDataController* GetDetailDataControllerByLinkObject(TObject* link) override {
      auto* l = dynamic_cast<TLink*>(link);
      return l ? l->Clone.get() : nullptr;
    }

   private:
    DetailScene* scene_;
  };
  TMaster master{this};
  TTestDBController pattern;
  DetailScene() {
    details.AddFieldDef("master", ftInteger);
    details.AddFieldDef("item", ftString, 10);
    for (auto [m, item] : std::vector<std::pair<int, const char*>>{{1, "a"}, {1, "b"}, {2, "c"}, {1, "d"}, {3, "e"}})
      details.AppendRow({m, item});
    detailSrc.SetDataSet(&details);
    details.Open();
    master.AddColumn("id");
    master.SetDataSource(&masters.src);
    TcxCustomDataRelation* relation = master.RelationList()->AddRelation(nullptr);
    pattern.AddColumn("item");
    pattern.SetDataSource(&detailSrc);
    pattern.SetMasterMode(relation, true);
  }
  std::vector<String> DetailOf(int masterRecord) {
    auto* c = static_cast<TTestDBController*>(master.GetDetailDataController(masterRecord, 0));
    return c ? c->Column(0) : std::vector<String>{"<no detail>"};
  }
};

}  // namespace

TEST(DBDataDetail, ClonesLoadTheFirstRunOfTheirMastersRecords) {
  DetailScene s;
  EXPECT_TRUE(s.pattern.IsPattern());
  EXPECT_EQ(s.pattern.RowCount(), 0) << "a pattern holds no records";
  s.pattern.SetDetailKeyFieldNames("master");
  s.pattern.SetMasterKeyFieldNames("id");
  auto* relation = static_cast<TcxDBDataRelation*>(s.master.RelationList()->Relations(0));
  ASSERT_NE(relation->MasterKeyField(), nullptr);
  EXPECT_EQ(relation->ReadMasterKeyValues(1), Variant(2));
  EXPECT_EQ(s.DetailOf(0), (std::vector<String>{"a", "b"})) << "the second run of master 1 is not loaded";
  EXPECT_EQ(s.DetailOf(1), (std::vector<String>{"c"}));
  EXPECT_EQ(s.DetailOf(2), (std::vector<String>{"e"}));
  EXPECT_THROW(relation->ReadMasterKeyValues(7), EcxInvalidDataControllerOperation);
}

TEST(DBDataDetail, HasChildrenLocatesTheMastersFirstDetailRecord) {
  DetailScene s;
  s.masters.ds.Close();
  s.masters.ds.AppendRow({4, "n4", "Oslo"});
  s.masters.ds.Open();
  s.pattern.SetDetailKeyFieldNames("master");
  s.pattern.SetMasterKeyFieldNames("id");
  s.details.SetRecNo(5);
  const bool expected[] = {true, true, true, false};
  for (int r = 0; r < 4; ++r) EXPECT_EQ(s.master.Provider()->GetDetailHasChildren(r, 0), expected[r]) << r;
  EXPECT_EQ(s.details.RecNo(), 5) << "the detail data set's position is restored";
  s.master.OnDetailHasChildren = [](TcxDBDataController*, int r, int, const String& names, const Variant& keys,
                                    bool& has) { has = names == "master" && keys == Variant(r + 1) && r == 3; };
  EXPECT_FALSE(s.master.Provider()->GetDetailHasChildren(0, 0));
  EXPECT_TRUE(s.master.Provider()->GetDetailHasChildren(3, 0));
}

TEST(DBDataDetail, NewDetailRecordsGetTheirMastersKey) {
  DetailScene s;
  s.pattern.SetDetailKeyFieldNames("master");
  s.pattern.SetMasterKeyFieldNames("id");
  auto* clone = static_cast<TTestDBController*>(s.master.GetDetailDataController(1, 0));
  ASSERT_NE(clone, nullptr);
  clone->SetKeyFieldNames("item");  // key navigation: the clone follows the detail cursor
  clone->Append();
  ASSERT_EQ(s.details.State(), dsInsert);
  EXPECT_EQ(s.details.FieldByName("master")->AsInteger(), 2);
  clone->EnsureBrowseMode();
  EXPECT_EQ(s.details.RecordCount(), 5) << "a record holding only the master's key is cancelled";
  clone->Append();
  clone->SetEditValue(0, "f", 0);
  clone->Post();
  EXPECT_EQ(s.details.RecordCount(), 6);
  s.details.Last();
  EXPECT_EQ(s.details.FieldByName("master")->AsInteger(), 2);
  EXPECT_EQ(s.details.FieldByName("item")->AsString(), "f");
}

TEST(DBDataDetail, MastersFollowTheDetailCursor) {
  DetailScene s;
  s.master.SetKeyFieldNames("id");
  s.pattern.SetKeyFieldNames("item");
  s.pattern.SetDetailKeyFieldNames("master");
  s.pattern.SetMasterKeyFieldNames("id");
  s.master.OnDetailExpanding = [](TcxCustomDataController*, int, bool& allow) { allow = true; };
  s.details.SetRecNo(5);  // "e", of master 3
  EXPECT_EQ(s.masters.Id(), 3);
  EXPECT_EQ(s.master.FocusedText(0), "3");
  EXPECT_TRUE(s.master.GetDetailExpanding(2));
  EXPECT_EQ(s.DetailOf(2), (std::vector<String>{"e"}));
  s.details.SetRecNo(3);  // "c", of master 2
  EXPECT_EQ(s.master.FocusedText(0), "2");
  EXPECT_TRUE(s.master.GetDetailExpanding(1));
}

TEST(DBDataDetail, MovingTheFocusInADetailPostsTheMastersPendingEdit) {
  struct Case {
    const char* name;
    bool smartRefresh;  // with key fields on the master: the post refreshes one record
    bool moved;         // the clone survives the post and takes the focus
  };
  const Case cases[] = {
      {"the post reloads the master and recreates its clones: the move fails", false, false},
      {"the post refreshes one master record: the clone keeps its place", true, true},
  };
  for (const Case& k : cases) {
    DetailScene s;
    s.pattern.SetDetailKeyFieldNames("master");
    s.pattern.SetMasterKeyFieldNames("id");
    if (k.smartRefresh) {
      s.master.SetKeyFieldNames("id");
      s.master.DataModeController()->SetSmartRefresh(true);
    }
    auto* clone = static_cast<TTestDBController*>(s.master.GetDetailDataController(0, 0));
    ASSERT_NE(clone, nullptr);
    clone->SetKeyFieldNames("item");  // marks this clone: a recreated one has no key names
    s.masters.ds.SetRecNo(1);
    s.masters.ds.Edit();
    s.masters.ds.FieldByName("name")->SetValue("edited");
    // When the post frees this clone, the answer says "no" and nothing more touches it.
    bool moved = clone->ChangeFocusedRowIndex(1);
    EXPECT_EQ(moved, k.moved) << k.name;
    auto* now = static_cast<TTestDBController*>(s.master.GetDetailDataController(0, 0));
    ASSERT_NE(now, nullptr) << k.name << ": the master's detail is shown again";
    EXPECT_EQ(now->KeyFieldNames() == "item", k.moved) << k.name;
    if (k.moved) { EXPECT_EQ(now->FocusedText(0), "b") << k.name; }
    EXPECT_EQ(now->Column(0), (std::vector<String>{"a", "b"})) << k.name;
    EXPECT_EQ(s.masters.ds.State(), dsBrowse) << k.name;
    s.masters.ds.SetRecNo(1);
    EXPECT_EQ(s.masters.ds.FieldByName("name")->AsString(), "edited") << k.name;
  }
}

TEST(DBDataDetail, WithoutMasterKeyNamesClonesLoadNothing) {
  DetailScene s;
  s.pattern.SetDetailKeyFieldNames("master");
  auto* relation = static_cast<TcxDBDataRelation*>(s.master.RelationList()->Relations(0));
  EXPECT_FALSE(relation->HasKeyLink());
  EXPECT_TRUE(relation->ReadMasterKeyValues(0).IsEmpty());
  EXPECT_EQ(s.DetailOf(0), std::vector<String>{});
}

TEST(DBDataDetail, QueryModeClonesTakeTurnsHoldingTheQuery) {
  People masters(3);
  // The query returns the detail records of the master named by its parameter.
  TMemQuery q(nullptr);
  q.AddFieldDef("master", ftInteger);
  q.AddFieldDef("item", ftString, 10);
  q.Params()->CreateParam(ftInteger, "master", ptInput)->SetValue(0);
  int opens = 0;
  q.BeforeOpen = [&](TDataSet*) {
    ++opens;
    q.EmptyDataSet();
    int m = q.Params()->ParamByName("master")->AsInteger();
    for (int i = 1; i <= m; ++i) q.AppendRow({m, "m" + std::to_string(m) + "-" + std::to_string(i)});
  };
  TDataSource src(nullptr);
  src.SetDataSet(&q);
  q.Open();

  struct TMaster : TTestDBController {
    TDataSource* Src = nullptr;
    struct TLink : TObject {
      std::unique_ptr<TTestDBController> Clone;
    };
    TObject* CreateDetailLinkObject(TcxCustomDataRelation* relation, int recordIndex) override {
      auto* link = new TLink;
      link->Clone = std::make_unique<TTestDBController>();
      TTestDBController* c = link->Clone.get();
      c->AddColumn("item");
      c->SetDetailKeyFieldNames("master");
      c->SetMasterKeyFieldNames("id");
      c->DataModeController()->DetailInSQLMode = true;
      c->SetDataSource(Src);
      c->SetMasterRelation(relation, recordIndex);
      return link;
    }
    TcxCustomDataController* GetDetailDataControllerByLinkObject(TObject* link) override {
      auto* l = dynamic_cast<TLink*>(link);
      return l ? l->Clone.get() : nullptr;
    }
  } master;
  master.Src = &src;
  master.AddColumn("id");
  master.SetDataSource(&masters.src);
  TcxCustomDataRelation* relation = master.RelationList()->AddRelation(nullptr);
  TTestDBController pattern;
  pattern.AddColumn("item");
  pattern.DataModeController()->DetailInSQLMode = true;
  pattern.SetDataSource(&src);
  pattern.SetMasterMode(relation, true);
  pattern.SetDetailKeyFieldNames("master");
  pattern.SetMasterKeyFieldNames("id");

  auto* a = static_cast<TTestDBController*>(master.GetDetailDataController(1, 0));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Column(0), (std::vector<String>{"m2-1", "m2-2"}));
  EXPECT_TRUE(a->DBProvider()->IsDataSetCurrent());
  auto* b = static_cast<TTestDBController*>(master.GetDetailDataController(2, 0));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Column(0), (std::vector<String>{"m3-1", "m3-2", "m3-3"}));
  EXPECT_TRUE(b->DBProvider()->IsDataSetCurrent());
  EXPECT_FALSE(a->DBProvider()->IsDataSetCurrent()) << "the first clone lost the mark";
  EXPECT_EQ(a->FocusedRowIndex(), -1) << "and its focused row";
  EXPECT_EQ(a->Column(0), (std::vector<String>{"m2-1", "m2-2"})) << "its records stay";
  int before = opens;
  a->ChangeFocusedRowIndex(1);
  EXPECT_EQ(opens, before + 1) << "focusing a record re-runs the query for that clone";
  EXPECT_EQ(q.Params()->ParamByName("master")->AsInteger(), 2);
  EXPECT_EQ(q.FieldByName("item")->AsString(), "m2-2");
  EXPECT_TRUE(a->DBProvider()->IsDataSetCurrent());
  EXPECT_FALSE(b->DBProvider()->IsDataSetCurrent());
  EXPECT_EQ(b->FocusedRowIndex(), -1) << "the clone that lost the query lost its focused row too";
  EXPECT_EQ(a->FocusedRowIndex(), 1);
  b->ChangeFocusedRowIndex(2);
  EXPECT_EQ(q.FieldByName("item")->AsString(), "m3-3");
  EXPECT_EQ(b->FocusedRowIndex(), 2);
  EXPECT_EQ(a->FocusedRowIndex(), -1);
  EXPECT_FALSE(a->DBProvider()->IsDataSetCurrent());
}
