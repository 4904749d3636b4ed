// The table view's rows: classes by level and master view, group texts, the expand and
// collapse keys, expanding all, the active-detail correction of master rows, and the hit tests.
#include <gtest/gtest.h>

#include "TableViewTestSupport.h"
#include "gridviews/cxGridRows.h"
#include "user/Windows.h"

namespace {

class RowsFixture : public gridviewstest::GridFormFixture {
 protected:
  void SetUp() override {
    GridFormFixture::SetUp();
    view_ = AddView("tv", &level_);
    Bind(view_, {{Variant("Japan"), Variant("Tokyo"), Variant(10)},
                 {Variant("Japan"), Variant("Osaka"), Variant(5)},
                 {Variant("France"), Variant("Paris"), Variant(7)}});
  }
  TcxGridViewData* Data() { return view_->GetViewData(); }
  void GroupByCountryAndCity() {
    view_->GetColumn(0)->SetGroupIndex(0);
    view_->GetColumn(1)->SetGroupIndex(1);
  }
  TcxGridLevel* level_ = nullptr;
  TcxGridDBTableView* view_ = nullptr;
};

TEST_F(RowsFixture, RowClassesByLevelAndByMasterView) {
  GroupByCountryAndCity();
  Data()->ExpandAll(false);
  // France, Paris, row; Japan, Osaka, row, Tokyo, row.
  ASSERT_EQ(Data()->GetRowCount(), 8);
  for (Integer i = 0; i < Data()->GetRowCount(); ++i) {
    TcxCustomGridRow* row = Data()->GetRow(i);
    SCOPED_TRACE(i);
    if (row->Level() < 2) {
      EXPECT_NE(dynamic_cast<TcxGridGroupRow*>(row), nullptr);
      EXPECT_FALSE(row->IsDataRecord());
      EXPECT_TRUE(row->IsParent());
      EXPECT_FALSE(row->HasCells());
    } else {
      EXPECT_NE(dynamic_cast<TcxGridDataRow*>(row), nullptr);
      EXPECT_EQ(dynamic_cast<TcxGridMasterDataRow*>(row), nullptr);
      EXPECT_TRUE(row->HasCells());
    }
  }
  // A level with a child makes the data rows master rows.
  view_->GetColumn(0)->SetGroupIndex(-1);
  view_->GetColumn(1)->SetGroupIndex(-1);
  level_->Add();
  EXPECT_TRUE(view_->IsMasterView());
  ASSERT_EQ(Data()->GetRowCount(), 3);
  EXPECT_NE(dynamic_cast<TcxGridMasterDataRow*>(Data()->GetRow(0)), nullptr);
  // The new item row has its own class.
  view_->GetOptionsView()->SetNewItemRow(true);
  EXPECT_NE(Data()->GetNewItemRow(), nullptr);
}

TEST_F(RowsFixture, GroupTextsWithAndWithoutAGroupSummary) {
  view_->GetColumn(0)->SetGroupIndex(0);
  auto* group = dynamic_cast<TcxGridGroupRow*>(Data()->GetRow(1));
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->GetGroupedColumn(), view_->GetColumn(0));
  EXPECT_EQ(group->GetGroupText(), "Country : Japan");
  view_->GetColumn(2)->Summary()->SetGroupKind(skSum);
  group = dynamic_cast<TcxGridGroupRow*>(Data()->GetRow(1));
  const String summary = view_->DataController()->Summary()->GroupSummaryText(1);
  ASSERT_FALSE(summary.empty());
  EXPECT_EQ(group->GetGroupText(), "Country : Japan " + summary);
  EXPECT_NE(summary.find("15"), String::npos);
}

TEST_F(RowsFixture, ExpandAndCollapseKeysOnGroupRows) {
  GroupByCountryAndCity();
  struct Case {
    const char* what;
    bool alwaysExpanded;
    bool startExpanded;
    Word key;
    bool expandedAfter;
    bool consumed;
  } cases[] = {
      {"Right expands", false, false, VK_RIGHT, true, true},
      {"Right on expanded", false, true, VK_RIGHT, true, false},
      {"Left collapses", false, true, VK_LEFT, false, true},
      {"Left on collapsed", false, false, VK_LEFT, false, false},
      {"Multiply expands", false, false, VK_MULTIPLY, true, true},
      {"always expanded: Left", true, true, VK_LEFT, true, false},
      {"always expanded: Multiply", true, true, VK_MULTIPLY, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TcxDataControllerOptions options = view_->DataController()->GetOptions();
    if (c.alwaysExpanded)
      options += dcoGroupsAlwaysExpanded;
    else
      options -= dcoGroupsAlwaysExpanded;
    view_->DataController()->SetOptions(options);
    if (c.startExpanded)
      Data()->ExpandAll(false);
    else
      Data()->CollapseAll(true);
    auto* row = dynamic_cast<TcxGridGroupRow*>(Data()->GetRow(0));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetExpandable(), !c.alwaysExpanded);
    Word key = c.key;
    row->KeyDown(key, TShiftState());
    EXPECT_EQ(key == 0, c.consumed);
    EXPECT_EQ(dynamic_cast<TcxGridGroupRow*>(Data()->GetRow(0))->GetExpanded(), c.expandedAfter);
  }
}

TEST_F(RowsFixture, MultiplyExpandsTheGroupRowAndAllItsDescendants) {
  GroupByCountryAndCity();
  Data()->CollapseAll(true);
  ASSERT_EQ(Data()->GetRowCount(), 2);
  Word key = VK_MULTIPLY;
  TcxCustomGridRow* japan = Data()->GetRow(1);
  japan->KeyDown(key, TShiftState());  // the rows are made anew: `japan` is gone
  EXPECT_EQ(key, 0);
  // France; Japan, Osaka, its row, Tokyo, its row.
  EXPECT_EQ(Data()->GetRowCount(), 6);
  EXPECT_FALSE(Data()->GetRow(0)->GetExpanded());
  EXPECT_TRUE(Data()->GetRow(1)->GetExpanded());
  EXPECT_TRUE(Data()->GetRow(2)->GetExpanded());
  EXPECT_TRUE(Data()->GetRow(4)->GetExpanded());
  Data()->ExpandAll(true);
  EXPECT_EQ(Data()->GetRowCount(), 8);
  Data()->CollapseAll(true);
  EXPECT_EQ(Data()->GetRowCount(), 2);
}

TEST_F(RowsFixture, DoubleClickExpandsGroupRowsAndMasterRowsByOption) {
  view_->GetColumn(0)->SetGroupIndex(0);
  EXPECT_TRUE(Data()->GetRow(0)->ExpandsOnDblClick());
  view_->GetColumn(0)->SetGroupIndex(-1);
  level_->Add();
  auto* master = dynamic_cast<TcxGridMasterDataRow*>(Data()->GetRow(0));
  ASSERT_NE(master, nullptr);
  EXPECT_TRUE(master->GetExpandable());  // ExpandButtonsForEmptyDetails
  EXPECT_TRUE(master->ExpandsOnDblClick());
  view_->GetOptionsBehavior()->SetExpandMasterRowOnDblClick(false);
  EXPECT_FALSE(master->ExpandsOnDblClick());
}

TEST_F(RowsFixture, AHiddenActiveDetailLevelGivesWayToTheFirstVisibleOne) {
  TcxGridLevel* first = level_->Add();
  TcxGridLevel* second = level_->Add();
  first->SetGridView(grid_->CreateView(TcxGridTableView::StaticClass()));
  second->SetGridView(grid_->CreateView(TcxGridTableView::StaticClass()));
  auto* master = dynamic_cast<TcxGridMasterDataRow*>(Data()->GetRow(0));
  ASSERT_NE(master, nullptr);
  EXPECT_EQ(master->GetDetailGridViewCount(), 2);
  EXPECT_EQ(master->GetActiveDetailIndex(), 0);
  EXPECT_EQ(master->GetActiveDetailLevel(), first);
  first->SetVisible(false);
  // Hiding a level lays the rows out anew: the row is fetched again.
  master = dynamic_cast<TcxGridMasterDataRow*>(Data()->GetRow(0));
  ASSERT_NE(master, nullptr);
  const Integer lockBefore = view_->UpdateLockCount();
  EXPECT_EQ(master->GetActiveDetailIndex(), 1);
  EXPECT_EQ(master->GetActiveDetailLevel(), second);
  EXPECT_EQ(view_->UpdateLockCount(), lockBefore);
  EXPECT_EQ(view_->GetDefaultActiveRelationIndex(), 1);
  // Choosing a tab tells the grid once.
  std::vector<TcxGridLevel*> tabs;
  grid_->OnActiveTabChanged = [&](TcxCustomGrid*, TcxGridLevel* level) { tabs.push_back(level); };
  first->SetVisible(true);
  master = dynamic_cast<TcxGridMasterDataRow*>(Data()->GetRow(0));
  master->SetActiveDetailIndex(0);
  master->SetActiveDetailIndex(0);
  ASSERT_EQ(tabs.size(), 1u);
  EXPECT_EQ(tabs[0], first);
}

TEST_F(RowsFixture, MasterRowsExpandAndCollapseTheirDetails) {
  TcxGridLevel* child = level_->Add();
  child->SetGridView(grid_->CreateView(TcxGridTableView::StaticClass()));
  auto* master = dynamic_cast<TcxGridMasterDataRow*>(Data()->GetRow(1));
  ASSERT_NE(master, nullptr);
  EXPECT_FALSE(master->GetExpanded());
  EXPECT_FALSE(master->GetActiveDetailGridViewExists());
  master->ExpandRecord(true);  // the rows are made anew: fetch again
  master = dynamic_cast<TcxGridMasterDataRow*>(Data()->GetRow(1));
  ASSERT_NE(master, nullptr);
  const bool expanded = master->GetExpanded();
  EXPECT_EQ(view_->DataController()->GetDetailExpanding(master->RecordIndex()), expanded);
  master->CollapseRecord(true);
  master = dynamic_cast<TcxGridMasterDataRow*>(Data()->GetRow(1));
  EXPECT_FALSE(master->GetExpanded());
  EXPECT_EQ(master->GetFirstChildToFocus(), nullptr);
  EXPECT_EQ(master->GetLastChildToFocus(true), nullptr);
  // Collapsing everything clears every master row's details.
  master->ExpandRecord(false);
  Data()->CollapseAll(true);
  for (Integer i = 0; i < Data()->GetRowCount(); ++i)
    EXPECT_FALSE(Data()->GetRow(i)->GetExpanded()) << i;
}

TEST_F(RowsFixture, HitTestCodesCursorsAndDragObjects) {
  struct Case {
    TClass cls;
    Integer code;
    TCursor cursor;
  } cases[] = {
      {TcxGridGroupByBoxHitTest::StaticClass(), 201, crDefault},
      {TcxGridColumnHeaderHitTest::StaticClass(), 202, crDefault},
      {TcxGridColumnHeaderHorzSizingEdgeHitTest::StaticClass(), 203, crcxHorzSize},
      {TcxGridColumnHeaderFilterButtonHitTest::StaticClass(), 204, crDefault},
      {TcxGridFooterHitTest::StaticClass(), 205, crDefault},
      {TcxGridFooterCellHitTest::StaticClass(), 206, crDefault},
      {TcxGridGroupFooterHitTest::StaticClass(), 207, crDefault},
      {TcxGridGroupFooterCellHitTest::StaticClass(), 208, crDefault},
      {TcxGridRowIndicatorHitTest::StaticClass(), 213, crDefault},
      {TcxGridRowSizingEdgeHitTest::StaticClass(), 214, crcxVertSize},
      {TcxGridIndicatorHitTest::StaticClass(), 215, crDefault},
      {TcxGridRowLevelIndentHitTest::StaticClass(), 216, crDefault},
      {TcxGridHeaderHitTest::StaticClass(), 217, crDefault},
  };
  for (const Case& c : cases) {
    TcxCustomGridHitTest* h = GridHitTests()->GetPooledInstance(c.cls, TPoint(1, 1));
    EXPECT_EQ(h->GetHitTestCode(), c.code) << c.cls->ClassName();
    EXPECT_EQ(h->GetCursor(), c.cursor) << c.cls->ClassName();
  }
  auto* indicator = GetPooledHitTest<TcxGridRowIndicatorHitTest>(TPoint());
  indicator->MultiSelect = true;
  EXPECT_EQ(indicator->GetCursor(), crcxGridSelectRow);
  indicator->MultiSelect = false;
  EXPECT_FALSE(GetPooledHitTest<TcxGridRowLevelIndentHitTest>(TPoint())->CanClick());
  EXPECT_TRUE(GetPooledHitTest<TcxGridRowIndicatorHitTest>(TPoint())->CanClick());

  // The header moves its column only when the column can be moved.
  bool made = false;
  TcxGridColumnHeaderHitTest::MovingObjectClass = [&](TcxControl*) -> TcxDragAndDropObject* {
    made = true;
    return nullptr;
  };
  auto* header = GetPooledHitTest<TcxGridColumnHeaderHitTest>(TPoint());
  header->Column = view_->GetColumn(0);
  EXPECT_TRUE(bool(header->DragAndDropObjectClass()));
  view_->GetColumn(0)->GetOptions()->SetMoving(false);
  EXPECT_FALSE(bool(header->DragAndDropObjectClass()));
  header->Column = nullptr;
  TcxGridColumnHeaderHitTest::MovingObjectClass = nullptr;
  EXPECT_FALSE(made);
}

}  // namespace
