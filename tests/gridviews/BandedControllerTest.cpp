// The banded controller: Tab order across bands and band rows, Up and Down through the band
// rows of a record before other records, cell multi-selection with one band row only.
#include <gtest/gtest.h>

#include "BandedTestSupport.h"

namespace {

using bandedtest::BandedFixture;

class BandedControllerTest : public BandedFixture {
 protected:
  std::string Order(const char* start, bool forward) {
    TcxGridBandedColumn* from = nullptr;
    for (Integer i = 0; i < view_->GetColumnCount(); ++i)
      if (view_->GetColumn(i)->Caption() == start) from = view_->GetColumn(i);
    std::vector<TcxGridBandedColumn*> list;
    view_->GetController()->GetColumnsInReadingOrder(from, forward, list);
    std::string s;
    for (TcxGridBandedColumn* c : list) s += (s.empty() ? "" : " ") + std::string(c->Caption());
    return s;
  }
  TcxGridBandedColumn* Column(const char* caption) {
    for (Integer i = 0; i < view_->GetColumnCount(); ++i)
      if (view_->GetColumn(i)->Caption() == caption) return view_->GetColumn(i);
    return nullptr;
  }
  std::string Focus() {
    auto* c = static_cast<TcxGridBandedColumn*>(view_->GetController()->FocusedItem());
    return std::to_string(view_->GetController()->FocusedRowIndex()) + ":" + (c ? std::string(c->Caption()) : "-");
  }
  void Key(Word key) {
    view_->GetController()->HandleKeyDown(key, TShiftState());
    Pump();
  }
};

TEST_F(BandedControllerTest, ReadingOrderAcrossBandsAndBandRows) {
  AddBand("A");
  AddBand("B");
  AddBand("C");
  AddColumn("a1", 0);
  AddColumn("a2", 0);
  AddColumn("a3", 0, 1);
  AddColumn("b1", 1);
  AddColumn("b2", 1, 1);
  AddColumn("b3", 1, 1);
  AddColumn("c1", 2);
  struct Case {
    const char* start;
    bool forward;
    const char* order;
  };
  const Case cases[] = {
      {"", true, "a1 a2 b1 c1 a3 b2 b3"},
      {"a2", true, "b1 c1 a3 b2 b3"},
      {"c1", true, "a3 b2 b3"},
      {"b3", false, "b2 a3 c1 b1 a2 a1"},
      {"", false, "c1 b1 a2 a1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.start) + (c.forward ? " forward" : " backward"));
    EXPECT_EQ(Order(c.start, c.forward), c.order);
  }
  // Tab from the last column of the view cycles to the first.
  bool cycled = false;
  const Integer last = Column("b3")->VisibleIndex();
  EXPECT_EQ(view_->GetController()->FindNextItem(last, true, false, cycled, nullptr), -1);
  EXPECT_EQ(view_->GetController()->FindNextItem(last, true, true, cycled, nullptr), Column("a1")->VisibleIndex());
  EXPECT_TRUE(cycled);
  // A hidden start column gives no order.
  Column("a2")->SetVisible(false);
  EXPECT_EQ(Order("a2", true), "");
}

// A row starting at line 2 hands Tab to the next band's row that contains line 2.
TEST_F(BandedControllerTest, ReadingOrderKeepsTheLine) {
  AddBand("A");
  AddBand("B");
  AddColumn("a1", 0)->Position()->SetLineCount(2);
  AddColumn("a2", 0, 1);
  AddColumn("b1", 1);
  AddColumn("b2", 1, 1);
  AddColumn("b3", 1, 2);
  EXPECT_EQ(Order("a2", true).substr(0, 2), "b3");
}

TEST_F(BandedControllerTest, UpAndDownThroughBandRows) {
  AddBand("A");
  AddColumn("x1", 0);
  AddColumn("x2", 0);
  AddColumn("y1", 0, 1);
  AddColumn("z1", 0, 2);
  AddColumn("z2", 0, 2);
  Fill(3);
  Show();
  TcxGridBandedTableController* controller = view_->GetController();
  controller->FocusRowAtIndex(1);
  controller->SetFocusedItem(Column("y1"));
  Key(VK_DOWN);
  EXPECT_EQ(Focus(), "1:z1");
  Key(VK_DOWN);
  EXPECT_EQ(Focus(), "2:x1");
  Key(VK_UP);
  EXPECT_EQ(Focus(), "1:z1");
  // From beyond a shorter row's length: that row's last column.
  controller->SetFocusedItem(Column("x2"));
  Key(VK_DOWN);
  EXPECT_EQ(Focus(), "1:y1");
  controller->FocusRowAtIndex(0);
  controller->SetFocusedItem(Column("x1"));
  Key(VK_UP);
  EXPECT_EQ(Focus(), "0:x1");
}

// Tab and Shift+Tab keys walk the same order inside the focused record.
TEST_F(BandedControllerTest, TabKeysFollowTheReadingOrder) {
  AddBand("A");
  AddBand("B");
  AddColumn("a1", 0);
  AddColumn("a2", 0, 1);
  AddColumn("b1", 1);
  AddColumn("b2", 1, 1);
  Fill(2);
  view_->GetOptionsBehavior()->SetFocusCellOnTab(true);
  Show();
  TcxGridBandedTableController* controller = view_->GetController();
  controller->FocusRowAtIndex(0);
  controller->SetFocusedItem(Column("a1"));
  std::string walk;
  for (Integer i = 0; i < 3; ++i) {
    Key(VK_TAB);
    walk += Focus() + " ";
  }
  EXPECT_EQ(walk, "0:b1 0:a2 0:b2 ");
  Word key = VK_TAB;
  controller->HandleKeyDown(key, TShiftState{ssShift});
  Pump();
  EXPECT_EQ(Focus(), "0:a2");
}

TEST_F(BandedControllerTest, CellMultiSelectionNeedsOneBandRow) {
  AddBand("A");
  AddColumn("x", 0);
  AddColumn("y", 0);
  view_->GetOptionsSelection()->SetCellMultiSelect(true);
  EXPECT_TRUE(view_->GetController()->IsCellMultiSelect());
  view_->GetColumn(1)->Position()->SetRowIndex(1);
  EXPECT_FALSE(view_->GetController()->IsCellMultiSelect());
}

// A column range runs over the bands as they stand on screen (left-fixed, scrollable,
// right-fixed), not in the visible column order that lists right-fixed columns second; copied
// cells keep that order.
TEST_F(BandedControllerTest, ColumnRangesFollowTheBandsOnScreen) {
  AddBand("R")->SetFixedKind(fkRight);
  AddBand("M");
  AddBand("L")->SetFixedKind(fkLeft);
  AddColumn("r", 0);
  AddColumn("m1", 1);
  AddColumn("m2", 1);
  AddColumn("l", 2);
  view_->GetOptionsSelection()->SetCellMultiSelect(true);
  Fill(3);
  Show();
  ASSERT_EQ(VisibleColumns(), "l r m1 m2");
  auto selected = [&] {
    std::string s;
    for (Integer i = 0; i < view_->GetVisibleColumnCount(); ++i)
      if (view_->GetVisibleColumn(i)->Selected()) s += (s.empty() ? "" : " ") + std::string(view_->GetVisibleColumn(i)->Caption());
    return s;
  };
  view_->GetController()->SelectColumns(Column("l"), Column("m2"));
  EXPECT_EQ(selected(), "l m1 m2");
  view_->GetController()->SelectColumns(Column("r"), Column("m2"));
  EXPECT_EQ(selected(), "r m2");
  view_->GetController()->SelectColumns(Column("m1"), Column("l"));
  EXPECT_EQ(selected(), "l m1");
  view_->GetController()->SelectAllColumns();
  std::vector<TcxCustomGridTableItem*> copied;
  view_->GetItemsForCopy(copied, false);
  std::string order;
  for (TcxCustomGridTableItem* item : copied) order += (order.empty() ? "" : " ") + std::string(item->Caption());
  EXPECT_EQ(order, "l m1 m2 r");
}

// Focusing a column of a fixed band leaves the horizontal scroll alone (the band never
// scrolls); a scrollable column is still scrolled into view.
TEST_F(BandedControllerTest, FocusedFixedColumnsKeepTheScroll) {
  AddBand("L")->SetFixedKind(fkLeft);
  AddBand("M");
  AddColumn("l", 0)->SetWidth(100);
  for (Integer i = 0; i < 8; ++i) AddColumn("m" + IntToStr(i), 1)->SetWidth(120);
  Fill(3);
  Show();
  TcxGridBandedTableController* controller = view_->GetController();
  controller->FocusRowAtIndex(0);
  controller->SetLeftPos(200);
  Pump();
  ASSERT_EQ(controller->LeftPos(), 200);
  controller->SetFocusedItem(Column("l"));
  Pump();
  EXPECT_EQ(controller->LeftPos(), 200);
  controller->SetFocusedItem(Column("m0"));
  Pump();
  EXPECT_EQ(controller->LeftPos(), 0);
}

}  // namespace
