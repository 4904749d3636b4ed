// The data-set controller in grid mode: a window of records read from the data set, scrolled by
// pages, searched incrementally, and rows selected by bookmarks far outside the window.
#include "tests/data/DBDataFixture.h"

using namespace dbdata_fixture;

namespace {

struct GridScene {
  People p;
  TTestDBController c;
  explicit GridScene(int count, int bufferCount = 0) : p(count) {
    c.AddColumn("id");
    c.AddColumn("name");
    c.SetDataSource(&p.src);
    c.DataModeController()->SetGridModeBufferCount(bufferCount);
    c.DataModeController()->SetGridMode(true);
  }
  String First() { return c.Column(0).front(); }
  String Last() { return c.Column(0).back(); }
  String BookmarkOfId(int id) {
    String saved = p.ds.Bookmark();
    p.ds.SetRecNo(id);
    String b = p.ds.Bookmark();
    p.ds.SetBookmark(saved);
    return b;
  }
  // Selects the records with ids from..to as the user does: anchor on one, extend to the other.
  void SelectIds(int from, int to) {
    p.ds.SetRecNo(from);
    c.SetSelectionAnchor(c.FocusedRowIndex());
    p.ds.SetRecNo(to);
    c.SelectFromAnchor(c.FocusedRowIndex(), false);
  }
  std::vector<String> SelectedIds() {
    std::vector<String> ids;
    String saved = p.ds.Bookmark();
    for (int i = 0; i < c.DBSelection()->BookmarkCount(); ++i) {
      p.ds.SetBookmark(c.DBSelection()->Bookmark(i));
      ids.push_back(std::to_string(p.Id()));
    }
    p.ds.SetBookmark(saved);
    return ids;
  }
};

}  // namespace

TEST(DBDataGridMode, ScrollsTenThousandRecordsByPages) {
  GridScene s(10000);
  ASSERT_TRUE(s.c.IsGridMode());
  EXPECT_EQ(s.c.RowCount(), 100);
  EXPECT_EQ(s.First(), "1");
  EXPECT_EQ(s.Last(), "100");
  EXPECT_EQ(s.c.FocusedText(0), "1");
  for (int page = 1; page < 100; ++page) {
    s.c.ScrollInGridMode(100);
    ASSERT_EQ(s.First(), std::to_string(page * 100 + 1)) << page;
    ASSERT_EQ(s.Last(), std::to_string(page * 100 + 100)) << page;
    ASSERT_EQ(s.c.FocusedText(0), s.Last()) << page;
    ASSERT_EQ(s.p.Id(), (page + 1) * 100) << "focus and cursor in step";
  }
  s.c.ScrollInGridMode(100);
  EXPECT_EQ(s.Last(), "10000") << "the window stops at the end";
  s.c.ScrollInGridMode(-100);
  EXPECT_EQ(s.First(), "9801");
  EXPECT_EQ(s.c.FocusedText(0), "9801");
  EXPECT_EQ(s.c.GetValue(5, 1), Variant("n9806"));
}

TEST(DBDataGridMode, ScrollingByOneAtTheWindowEdgeMovesTheWindowByOne) {
  GridScene s(300, 10);
  s.c.ChangeFocusedRowIndex(9);
  EXPECT_EQ(s.p.Id(), 10);
  s.c.ScrollInGridMode(1);
  EXPECT_EQ(s.First(), "2");
  EXPECT_EQ(s.c.FocusedText(0), "11");
  s.c.ChangeFocusedRowIndex(0);
  s.c.ScrollInGridMode(-1);
  EXPECT_EQ(s.First(), "1");
  EXPECT_EQ(s.c.FocusedText(0), "1");
}

TEST(DBDataGridMode, WindowSizeFollowsTheBufferCount) {
  struct Case {
    int set, readBack, rows;
  };
  for (Case k : {Case{0, 0, 100}, Case{20, 20, 20}, Case{-5, 0, 100}, Case{250, 250, 250}}) {
    GridScene s(1000);
    s.c.DataModeController()->SetGridModeBufferCount(k.set);
    EXPECT_EQ(s.c.DataModeController()->GridModeBufferCount(), k.readBack) << k.set;
    EXPECT_EQ(s.c.RowCount(), k.rows) << k.set;
    EXPECT_EQ(s.Last(), std::to_string(k.rows)) << k.set;
  }
}

TEST(DBDataGridMode, CursorMovesOfTheDataSetMoveTheFocusAndTheWindow) {
  GridScene s(500, 50);
  s.p.ds.SetRecNo(30);
  EXPECT_EQ(s.c.FocusedText(0), "30");
  s.p.ds.SetRecNo(420);
  EXPECT_EQ(s.c.FocusedText(0), "420");
  EXPECT_EQ(s.c.RowCount(), 50);
  s.c.GotoFirst();
  EXPECT_EQ(s.p.Id(), 1);
  EXPECT_EQ(s.First(), "1");
  s.c.GotoLast();
  EXPECT_EQ(s.Last(), "500");
  EXPECT_TRUE(s.c.IsEOF());
}

TEST(DBDataGridMode, SwitchingGridModeOffLoadsEveryRecord) {
  GridScene s(250);
  s.c.DataModeController()->SetGridMode(false);
  EXPECT_EQ(s.c.RowCount(), 250);
  s.c.DataModeController()->SetGridMode(true);
  EXPECT_EQ(s.c.RowCount(), 100);
}

TEST(DBDataGridMode, IncrementalSearchWrapsButNextStopsAtTheEnd) {
  GridScene s(300);
  s.p.ds.SetRecNo(200);
  EXPECT_TRUE(s.c.Search()->Locate(1, "n199")) << "only the record before the current one matches";
  EXPECT_EQ(s.p.Id(), 199);
  EXPECT_EQ(s.c.FocusedText(0), "199");
  EXPECT_TRUE(s.c.Search()->Locate(1, "N19")) << "case-insensitive, and the current record counts";
  EXPECT_EQ(s.p.Id(), 199);
  s.p.ds.SetRecNo(299);
  EXPECT_TRUE(s.c.Search()->Locate(1, "n2"));
  EXPECT_EQ(s.p.Id(), 299);
  EXPECT_FALSE(s.c.Search()->LocateNext(true)) << "the other matches lie before the current record";
  EXPECT_EQ(s.p.Id(), 299) << "an unsuccessful search puts the cursor back";
  EXPECT_TRUE(s.c.Search()->LocateNext(false));
  EXPECT_EQ(s.p.Id(), 298);
  EXPECT_FALSE(s.c.Search()->Locate(1, "zz"));
  EXPECT_EQ(s.p.Id(), 298);
}

TEST(DBDataGridMode, SavingTheBookmarkOnTheSameRecordReportsAChangeOnce) {
  GridScene s(300);
  s.p.ds.SetRecNo(120);
  EXPECT_TRUE(s.c.SaveBookmark());
  EXPECT_FALSE(s.c.SaveBookmark());
  EXPECT_TRUE(s.c.IsBookmarkAvailable());
  s.p.ds.SetRecNo(5);
  EXPECT_FALSE(s.c.IsBookmarkRow(0));
  s.c.GotoBookmark();
  EXPECT_EQ(s.p.Id(), 120);
  EXPECT_TRUE(s.c.IsBookmarkRow(s.c.FocusedRowIndex()));
  s.c.ClearBookmark();
  EXPECT_FALSE(s.c.IsBookmarkAvailable());
}

TEST(DBDataGridMode, SelectingAllRecordsOutsideTheWindow) {
  GridScene s(10000);
  s.c.SetMultiSelect(true);
  s.c.SelectAll();
  EXPECT_EQ(s.c.CountSelectedRows(), 10000);
  EXPECT_EQ(s.c.DBSelection()->BookmarkCount(), 10000);
  EXPECT_EQ(s.p.Id(), 1) << "the walk puts the cursor back";
  String b;
  s.c.GetSelectedBookmark(9999, b);
  EXPECT_EQ(b, s.BookmarkOfId(10000));
  EXPECT_EQ(s.c.GetSelectedRowIndex(9999), -1) << "outside the window";
  EXPECT_EQ(s.c.GetSelectedRowIndex(42), 42);
}

TEST(DBDataGridMode, RangeSelectionGrowsAndShrinksAtItsFreeEnd) {
  GridScene s(50, 20);
  s.c.SetMultiSelect(true);
  s.c.SetSelectionAnchor(5);
  EXPECT_TRUE(s.c.IsSelectionAnchorAssigned());
  EXPECT_EQ(s.c.GetSelectionAnchorRowIndex(), -1);
  struct Step {
    int row;
    bool keep;
    std::vector<String> ids;
  };
  const Step steps[] = {
      {8, false, {"6", "7", "8", "9"}},
      {9, false, {"6", "7", "8", "9", "10"}},         // forward, growing
      {7, false, {"6", "7", "8"}},                    // forward, shrinking (walks)
      {6, false, {"6", "7"}},                         // shrinking by one
      {5, false, {"6"}},                              // the anchor alone
      {3, false, {"4", "5", "6"}},                    // backward
      {2, false, {"3", "4", "5", "6"}},               // backward, growing
      {3, false, {"4", "5", "6"}},                    // backward, shrinking
  };
  for (const Step& st : steps) {
    s.c.SelectFromAnchor(st.row, st.keep);
    EXPECT_EQ(s.SelectedIds(), st.ids) << st.row;
    EXPECT_EQ(s.c.CountSelectedRows(), int(st.ids.size())) << st.row;
  }
  s.c.SetSelectionAnchor(12);
  s.c.SelectFromAnchor(4, true);
  EXPECT_EQ(s.SelectedIds(), (std::vector<String>{"4", "5", "6", "7", "8", "9", "10", "11", "12", "13"}))
      << "keeping the selection adds only the missing records, in data-set order";
  EXPECT_THROW(s.c.SelectFromAnchor(20, false), EcxInvalidDataControllerOperation);
  String anchor;
  s.c.GetAnchorBookmark(anchor);
  EXPECT_EQ(anchor, s.BookmarkOfId(13));
}

TEST(DBDataGridMode, GridModeOnlyOperationsOutsideGridModeRaise) {
  People p(5);
  TTestDBController c;
  c.AddColumn("id");
  c.SetDataSource(&p.src);
  String b;
  const std::function<void()> ops[] = {[&] { c.GetSelectedBookmark(0, b); }, [&] { c.GetAnchorBookmark(b); }};
  for (const auto& op : ops) {
    try {
      op();
      ADD_FAILURE() << "no error";
    } catch (const EcxInvalidDataControllerOperation& e) {
      EXPECT_STREQ(e.what(), "DataController not in GridMode");
    }
  }
}

TEST(DBDataGridMode, UniDirectionalDataSetNeverRunsInGridModeNorSynchronises) {
  class TForwardOnly : public TMemDataSet {
   public:
    TForwardOnly() : TMemDataSet(nullptr) {}
    bool IsUniDirectional() const override { return true; }
  } ds;
  ds.AddFieldDef("id", ftInteger);
  for (int i = 1; i <= 150; ++i) ds.AppendRow({i});
  TDataSource src(nullptr);
  src.SetDataSet(&ds);
  ds.Open();
  TTestDBController c;
  c.AddColumn("id");
  c.SetDataSource(&src);
  c.DataModeController()->SetGridMode(true);
  EXPECT_FALSE(c.IsGridMode());
  EXPECT_EQ(c.RowCount(), 150) << "every record is loaded";
  EXPECT_FALSE(c.Provider()->IsSyncMode());
  c.ChangeFocusedRowIndex(5);
  ds.First();
  ds.MoveBy(3);
  EXPECT_EQ(c.FocusedText(0), "6") << "the focus does not follow the cursor";
}

TEST(DBDataGridMode, RowWalksMoveTheCursorOverRecordsOutsideTheWindow) {
  struct Case {
    const char* name;
    bool multiSelect;
    bool selectedOnly;
    int selectFrom, selectTo;  // a range of ids selected (0: none)
    int expectedCount;        // rows visited
    int firstId, lastId;      // ids under the cursor at the first and the last visit
  };
  const Case cases[] = {
      {"every row", false, false, 0, 0, 250, 1, 250},
      {"single selection: the focused row", false, true, 0, 0, 1, 7, 7},
      {"selected rows, far from the window", true, true, 118, 121, 4, 118, 121},
  };
  for (const Case& k : cases) {
    GridScene s(250, 10);
    s.c.SetMultiSelect(k.multiSelect);
    if (k.selectFrom != 0) s.SelectIds(k.selectFrom, k.selectTo);
    s.p.ds.SetRecNo(7);
    int count = 0, first = -1, last = -1;
    bool inStep = true;
    s.c.ForEachRow(k.selectedOnly, [&](int row, const TcxRowInfo& info) {
      inStep &= row == s.c.FocusedRowIndex() && s.c.GetValue(info.RecordIndex, 0).AsInteger() == s.p.Id();
      if (count++ == 0) first = s.p.Id();
      last = s.p.Id();
    });
    EXPECT_EQ(count, k.expectedCount) << k.name;
    EXPECT_EQ(first, k.firstId) << k.name;
    EXPECT_EQ(last, k.lastId) << k.name;
    EXPECT_TRUE(inStep) << k.name << ": the row handed over is the one under the cursor";
  }
}

TEST(DBDataGridMode, FocusingASelectedRowMovesTheCursorToItsBookmark) {
  GridScene s(500, 10);
  s.c.SetMultiSelect(true);
  s.SelectIds(420, 422);
  s.p.ds.SetRecNo(1);
  EXPECT_TRUE(s.c.FocusSelectedRow(1));
  EXPECT_EQ(s.p.Id(), 421);
  EXPECT_EQ(s.c.FocusedText(0), "421");
  EXPECT_TRUE(s.c.FocusSelectedRow(2));
  EXPECT_EQ(s.c.FocusedText(0), "422");
  s.c.SetDataSource(nullptr);
  EXPECT_FALSE(s.c.FocusSelectedRow(0)) << "no data set";
}

TEST(DBDataGridMode, RowOperationsOutsideGridModeFocusAndWalkRows) {
  People p(6);
  TTestDBController c;
  c.AddColumn("id");
  c.SetDataSource(&p.src);
  c.SetMultiSelect(true);
  c.ChangeRowSelection(4, true);
  c.ChangeRowSelection(1, true);
  // The focused first row is selected too.
  EXPECT_TRUE(c.FocusSelectedRow(2));
  EXPECT_EQ(c.FocusedText(0), "5") << "no bookmarks outside grid mode: the row itself is focused";
  std::vector<String> ids;
  c.ForEachRow(true, [&](int row, const TcxRowInfo& info) { ids.push_back(c.GetDisplayText(info.RecordIndex, 0)); });
  EXPECT_EQ(ids, (std::vector<String>{"1", "2", "5"}));
}
