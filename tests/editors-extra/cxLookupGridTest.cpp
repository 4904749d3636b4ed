// The lookup grid: height aligned to rows, grid lines, sorting by header clicks, column and row
// keys, popup mouse tracking with auto-scroll on the manual clock, and sheets in each look and
// feel.
#include <gtest/gtest.h>

#include "data/cxDataStorage.h"
#include "editors-extra/cxLookupGrid.h"
#include "tests/support/HeadlessFixture.h"
#include "rtl/SysUtils.h"
#include "vcl/Forms.h"

namespace {

class LookupGridTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    InitializeCxLookupGrid();
    form_ = new TForm(Application);
    form_->SetBounds(50, 50, 700, 500);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  // A grid with two text columns (name, code) and the given names; codes are "C<index>".
  TcxLookupGrid* MakeGrid(const std::vector<String>& names, Integer height = 200) {
    auto* g = new TcxLookupGrid(form_);
    g->SetBounds(10, 10, 250, height);
    g->SetParent(form_);
    g->BeginUpdate();
    g->Columns()->AddColumn()->SetCaption("Name");
    g->Columns()->AddColumn()->SetCaption("Code");
    TcxCustomDataController* dc = g->DataController();
    for (int i = 0; i < 2; ++i) dc->ChangeValueTypeClass(i, TcxStringValueType::Class());
    dc->SetRecordCount(int(names.size()));
    for (int r = 0; r < int(names.size()); ++r) {
      dc->SetValue(r, 0, names[size_t(r)]);
      dc->SetValue(r, 1, "C" + IntToStr(r));
    }
    g->EndUpdate();
    Pump();
    return g;
  }
  static POINT Center(const TRect& r) { return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  std::vector<String> Column0(TcxLookupGrid* g) {
    std::vector<String> out;
    for (int i = 0; i < g->RowCount(); ++i)
      out.push_back(g->DataController()->GetDisplayText(g->DataController()->RowInfoAt(i).RecordIndex, 0));
    return out;
  }
  TForm* form_ = nullptr;
};

TEST_F(LookupGridTest, AlignHeightToRowsAndHeightForRows) {
  auto* g = MakeGrid({"a", "b", "c"});
  const Integer h = g->ViewInfo()->HeaderArea.Height();
  const Integer r = g->ViewInfo()->RowHeight() + 1;  // glBoth adds the line
  ASSERT_GT(h, 0);
  struct Case {
    Integer Height, Expected;
  };
  const Case cases[] = {
      {h + 10 * r, h + 3 * r},  // more room than records: three rows
      {h + 2 * r + 1, h + 2 * r},
      {h + 1, h + r},  // less than one row still gives one
      {0, h + r},
  };
  for (const Case& c : cases) EXPECT_EQ(g->AlignHeightToRows(c.Height), c.Expected) << c.Height;
  EXPECT_EQ(g->GetHeightForRows(5), h + 5 * r);
  g->Options()->SetGridLines(glVertical);
  EXPECT_EQ(g->GetHeightForRows(2), h + 2 * g->ViewInfo()->RowHeight());
  g->DataController()->SetRecordCount(0);
  EXPECT_EQ(g->AlignHeightToRows(1000), h + g->ViewInfo()->RowHeight());
}

TEST_F(LookupGridTest, GridLinesOfCellsAndRows) {
  auto* g = MakeGrid({"a", "b"});
  struct Case {
    TcxGridLines Lines;
    bool FirstRight, LastRight, RowBottom, LastRowBottom;
  };
  const Case cases[] = {
      {glBoth, true, true, true, true},
      {glNone, false, false, false, false},
      {glHorizontal, false, true, true, true},
      // Vertical lines: only the last row gets a bottom line, since it does not end at the bottom.
      {glVertical, true, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.Lines));
    g->Options()->SetGridLines(c.Lines);
    const auto& rows = g->ViewInfo()->Rows;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Cells[0].Borders.Contains(bRight), c.FirstRight);
    EXPECT_EQ(rows[0].Cells[1].Borders.Contains(bRight), c.LastRight);
    EXPECT_EQ(rows[0].Borders.Contains(bRight), c.LastRight);
    EXPECT_EQ(rows[0].Borders.Contains(bBottom), c.RowBottom);
    EXPECT_EQ(rows[1].Borders.Contains(bBottom), c.LastRowBottom);
    const Integer height = rows[0].Bounds.Height();
    EXPECT_EQ(height, g->ViewInfo()->RowHeight() + (c.RowBottom ? 1 : 0));
  }
}

TEST_F(LookupGridTest, WithoutColumnsNothingIsLaidOut) {
  auto* g = new TcxLookupGrid(form_);
  g->SetBounds(10, 10, 200, 100);
  g->SetParent(form_);
  Pump();
  EXPECT_TRUE(g->ViewInfo()->HeaderArea.IsEmpty());
  EXPECT_TRUE(g->ViewInfo()->Rows.empty());
  EXPECT_FALSE(g->ViewInfo()->RightEmptyArea.IsEmpty());
}

TEST_F(LookupGridTest, SortingByHeaderClicks) {
  auto* g = MakeGrid({"b", "c", "a"});
  TcxLookupGridColumn* name = g->Columns()->Column(0);
  TcxLookupGridColumn* code = g->Columns()->Column(1);
  const POINT nameHeader = Center(g->ViewInfo()->Columns[0].Bounds);
  const POINT codeHeader = Center(g->ViewInfo()->Columns[1].Bounds);
  S().Click(g->Handle(), nameHeader);
  EXPECT_EQ(name->SortOrder(), soAscending);
  EXPECT_EQ(Column0(g), (std::vector<String>{"a", "b", "c"}));
  S().Click(g->Handle(), nameHeader);
  EXPECT_EQ(name->SortOrder(), soDescending);
  EXPECT_EQ(Column0(g), (std::vector<String>{"c", "b", "a"}));
  // Shift adds a column, a plain click leaves one, Ctrl removes it.
  S().KeyDown(VK_SHIFT);
  S().Click(g->Handle(), codeHeader);
  S().KeyUp(VK_SHIFT);
  EXPECT_EQ(name->SortOrder(), soDescending);
  EXPECT_EQ(code->SortOrder(), soAscending);
  S().Click(g->Handle(), codeHeader);
  EXPECT_EQ(name->SortOrder(), soNone);
  EXPECT_EQ(code->SortOrder(), soDescending);
  S().KeyDown(VK_CONTROL);
  S().Click(g->Handle(), codeHeader);
  S().KeyUp(VK_CONTROL);
  EXPECT_EQ(code->SortOrder(), soNone);
  // A column that does not sort, and a grid without column sorting, ignore clicks.
  code->SetSorting(false);
  S().Click(g->Handle(), codeHeader);
  EXPECT_EQ(code->SortOrder(), soNone);
  g->Options()->SetColumnSorting(false);
  S().Click(g->Handle(), nameHeader);
  EXPECT_EQ(name->SortOrder(), soNone);
}

TEST_F(LookupGridTest, KeysMoveRowsAndColumns) {
  auto* g = MakeGrid({"a", "b", "c", "d"});
  g->SetFocus();
  g->SetFocusedRowIndex(1);
  Pump();
  S().PressKey(VK_DOWN);
  EXPECT_EQ(g->FocusedRowIndex(), 2);
  EXPECT_TRUE(g->DataController()->IsRowSelected(2));
  S().PressKey(VK_HOME);  // RowSelect: first row
  EXPECT_EQ(g->FocusedRowIndex(), 0);
  g->Options()->SetRowSelect(false);
  S().PressKey(VK_END);  // columns now
  EXPECT_EQ(g->FocusedRowIndex(), 0);
  ASSERT_NE(g->FocusedColumn(), nullptr);
  EXPECT_EQ(g->FocusedColumn()->Index(), 1);
  S().PressKey(VK_LEFT);
  EXPECT_EQ(g->FocusedColumn()->Index(), 0);
  S().PressKey(VK_END, false, true);  // Ctrl+End: last row
  EXPECT_EQ(g->FocusedRowIndex(), 3);
  S().PressKey(VK_UP);
  S().PressKey(VK_UP);
  S().PressKey(VK_UP);
  S().PressKey(VK_UP);
  EXPECT_EQ(g->FocusedRowIndex(), 0);  // clamped at the first row
  bool accepted = false;
  int requests = 0;
  g->OnCloseRequest = [&](TObject*, bool accept) {
    ++requests;
    accepted = accept;
  };
  S().PressKey(VK_RETURN);
  EXPECT_EQ(requests, 1);
  EXPECT_TRUE(accepted);
}

TEST_F(LookupGridTest, PopupMouseTrackingAndAutoScroll) {
  std::vector<String> names;
  for (int i = 0; i < 30; ++i) names.push_back("Item " + IntToStr(i));
  auto* g = MakeGrid(names, 150);
  g->SetPopupMode(true);
  Pump();
  EXPECT_EQ(g->FrameWidth(), 0);
  const int visible = g->ViewInfo()->VisibleRowCount;
  ASSERT_GT(visible, 2);
  ASSERT_LT(visible, 30);
  // The focus follows the mouse, but not a move message without cursor movement.
  const POINT row2 = Center(g->ViewInfo()->Rows[2].Bounds);
  S().MoveMouse(g->Handle(), row2);
  EXPECT_EQ(g->FocusedRowIndex(), 2);
  g->SetFocusedRowIndex(0);
  TcxCustomLookupGrid::StoreMousePosition();
  PostMessage(g->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(row2.X, row2.Y));
  Pump();
  EXPECT_EQ(g->FocusedRowIndex(), 0);

  int requests = 0;
  bool accepted = false;
  g->OnCloseRequest = [&](TObject*, bool accept) {
    ++requests;
    accepted = accept;
  };
  // Press on a row, drag below the rows and hold: a row further every 50 ms, unselected.
  const POINT row1 = Center(g->ViewInfo()->Rows[1].Bounds);
  S().MouseDown(g->Handle(), row1);
  EXPECT_EQ(g->FocusedRowIndex(), 1);
  S().MoveMouse(g->Handle(), TPoint(row1.X, g->ClientHeight() + 20));
  EXPECT_EQ(g->AutoScrollState(), 2);
  Advance(50);
  const int first = g->FocusedRowIndex();
  EXPECT_EQ(first, g->TopRowIndex() + visible - 1);
  EXPECT_FALSE(g->DataController()->IsRowSelected(first));
  Advance(200);
  EXPECT_GT(g->FocusedRowIndex(), first);
  EXPECT_GT(g->TopRowIndex(), 0);
  // Releasing outside the rows cancels.
  S().MouseUp(g->Handle(), TPoint(row1.X, g->ClientHeight() + 20));
  EXPECT_EQ(g->AutoScrollState(), 0);
  EXPECT_EQ(requests, 1);
  EXPECT_FALSE(accepted);
  const int focused = g->FocusedRowIndex();
  Advance(200);
  EXPECT_EQ(g->FocusedRowIndex(), focused);
  // Releasing over a row accepts.
  S().MouseDown(g->Handle(), row1);
  S().MouseUp(g->Handle(), row1);
  EXPECT_EQ(requests, 2);
  EXPECT_TRUE(accepted);
}

TEST_F(LookupGridTest, SheetsInEachLookAndFeel) {
  const TcxLookAndFeelKind kinds[] = {lfStandard, lfFlat, lfUltraFlat, lfOffice11};
  form_->SetBounds(20, 20, 1120, 260);
  Integer left = 10;
  for (int i = 0; i < 4; ++i) {
    auto* g = MakeGrid({"Apple", "Banana", "Cherry", "Date", "Elderberry", "Fig", "Grape", "Honeydew", "Kiwi"}, 180);
    g->LookAndFeel()->SetKind(kinds[i]);
    g->SetLeft(left);
    g->Columns()->Column(0)->SetSortOrder(i % 2 ? soDescending : soAscending);
    g->Options()->SetGridLines(TcxGridLines(i));
    g->SetPopupMode(i >= 2);
    g->SetFocusedRowIndex(2);
    g->DataController()->ChangeFocusedRowSelected(true);
    Pump();
    EXPECT_EQ(Column0(g).front(), i % 2 ? "Kiwi" : "Apple");
    left += 270;
  }
  Pump();
  S().Snapshot(form_->Handle(), "lookup_grid.png", true);
}

}  // namespace
