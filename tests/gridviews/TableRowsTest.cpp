// Rows of the table view: row heights for every grid-lines setting and group row style, the
// visible-rows walk, level indents and expand buttons, cell merging, the grid lines drawn in one
// call; the table controller: header clicks, LeftPos with horizontal offsetting, scroll bars.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "TableViewTestSupport.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "editors/cxTextEdit.h"
#include "gridviews/cxGridRows.h"
#include "editors/cxTextEdit.h"
#include "editors/cxDrawTextUtils.h"

namespace {

// A painter that records each grid-lines call.
class TRecordingTablePainter : public TcxGridTablePainter {
  KORVAN_CLASS(TRecordingTablePainter, TcxGridTablePainter)

 public:
  using TcxGridTablePainter::TcxGridTablePainter;
  void DrawGridLines(const std::vector<TRect>& lines, TColor color) override {
    Calls.push_back({Integer(lines.size()), color});
    TcxGridTablePainter::DrawGridLines(lines, color);
  }
  static std::vector<std::pair<Integer, TColor>> Calls;
};
std::vector<std::pair<Integer, TColor>> TRecordingTablePainter::Calls;
KORVAN_IMPLEMENT_CLASS(TRecordingTablePainter)

class TRecordingView : public TcxGridDBTableView {
  KORVAN_CLASS(TRecordingView, TcxGridDBTableView)

 public:
  using TcxGridDBTableView::TcxGridDBTableView;
  TClass GetPainterClass() override { return TRecordingTablePainter::StaticClass(); }
};
KORVAN_IMPLEMENT_CLASS(TRecordingView)

class TableRowsFixture : public gridviewstest::GridFormFixture {
 protected:
  // Countries with two cities each, amounts 1..n; `extra` more rows of a third country.
  TcxGridDBTableView* Shown(Integer extra = 0, TClass viewClass = nullptr) {
    grid_->LookAndFeel()->SetKind(lfUltraFlat);
    TcxGridLevel* level = grid_->Levels()->Add();
    auto* v = static_cast<TcxGridDBTableView*>(
        grid_->CreateView(viewClass ? viewClass : TcxGridDBTableView::StaticClass()));
    level->SetGridView(v);
    std::vector<std::vector<Variant>> rows = {{Variant("Japan"), Variant("Tokyo"), Variant(1)},
                                              {Variant("Japan"), Variant("Osaka"), Variant(2)},
                                              {Variant("France"), Variant("Paris"), Variant(3)},
                                              {Variant("France"), Variant("Lyon"), Variant(4)}};
    for (Integer i = 0; i < extra; ++i) rows.push_back({Variant("Chile"), Variant("Santiago"), Variant(5 + i)});
    Bind(v, rows);
    ShowWithColumnWidth(v, 80);
    return v;
  }
  TcxGridRowsViewInfo* Rows(TcxGridTableView* v) {
    return static_cast<TcxGridRowsViewInfo*>(v->GetViewInfo()->RecordsViewInfo());
  }
  // The view sized to `width`, focused, with the focus on the first cell of the first row.
  TcxGridTableController* FocusFirstCell(TcxGridDBTableView* v, Integer width) {
    grid_->SetBounds(10, 10, width, 200);
    Pump();
    v->Site()->SetFocus();
    Pump();
    TcxGridTableController* c = v->GetController();
    c->FocusRowAtIndex(0);
    c->SetFocusedItem(v->GetColumn(0));
    return c;
  }
  Integer Qq(TFont* font) {
    LazyScreenCanvas()->ApplyFont(font);
    return LazyScreenCanvas()->MeasureTextHeight("Qq");
  }
};

TEST_F(TableRowsFixture, DataAndGroupRowHeightsForEveryGridLinesAndGroupRowStyle) {
  TcxGridDBTableView* v = Shown();
  v->GetOptionsCustomize()->SetColumnHidingOnGrouping(false);
  v->GetColumn(0)->SetGroupIndex(0);
  v->DataController()->Groups()->FullExpand();
  TcxStyleParams content, group;
  v->GetColumn(1)->GetStyles()->GetContentParams(nullptr, content);
  v->GetStyles()->GetGroupParams(nullptr, 0, group);
  const Integer expand = v->GetViewInfo()->GetLookAndFeelPainter()->ExpandButtonExtent();
  const Integer groupBase = std::max(Qq(group.Font), expand) + 4;
  struct Case {
    TcxGridLines lines;
    TcxGridGroupRowStyle style;
    Integer data, group;
  } cases[] = {
      {glBoth, grsStandard, Qq(content.Font) + 4 + 1, groupBase + 1},
      {glNone, grsStandard, Qq(content.Font) + 4, groupBase},
      {glVertical, grsStandard, Qq(content.Font) + 4, groupBase},
      {glHorizontal, grsStandard, Qq(content.Font) + 4 + 1, groupBase + 1},
      {glBoth, grsOffice11, Qq(content.Font) + 4 + 1, groupBase * 2 + 2},
      {glNone, grsOffice11, Qq(content.Font) + 4, groupBase * 2 + 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Integer(c.lines) * 10 + Integer(c.style));
    v->GetOptionsView()->SetGridLines(c.lines);
    v->GetOptionsView()->SetGroupRowStyle(c.style);
    Relayout(v);
    TcxGridRowsViewInfo* rows = Rows(v);
    EXPECT_EQ(rows->DataRowHeight(), c.data);
    EXPECT_EQ(rows->GroupRowHeight(), c.group);
    ASSERT_GE(rows->Count(), 2);
    EXPECT_NE(dynamic_cast<TcxGridGroupRowViewInfo*>(rows->Items(0)), nullptr);
    EXPECT_EQ(rows->Items(0)->Bounds.Height(), c.group);
    // The last data row of a view with vertical lines only closes the grid with a line.
    const Integer last = rows->CalculatedRowCount() - 1;
    const bool closing = c.lines == glVertical && rows->Row(last)->GridRecord()->GetIsLast();
    EXPECT_EQ(rows->Items(1)->Bounds.Height(), c.data);
    EXPECT_EQ(rows->Row(last)->HasClosingGridLine(), closing);
  }
  // A DataRowHeight below the computed minimum is raised to it.
  v->GetOptionsView()->SetGridLines(glBoth);
  v->GetOptionsView()->SetDataRowHeight(3);
  Relayout(v);
  EXPECT_EQ(Rows(v)->DataRowHeight(), Qq(content.Font) + 4 + 1);
}

TEST_F(TableRowsFixture, VisibleRowsWalkAtTheBottomEdge) {
  TcxGridDBTableView* v = Shown(30);
  TcxGridRowsViewInfo* rows = Rows(v);
  const Integer h = rows->DataRowHeight();
  const Integer area = rows->ContentBounds.Height();
  EXPECT_EQ(rows->VisibleCount, area / h);
  EXPECT_EQ(rows->CalculatedRowCount(), area / h + (area % h ? 1 : 0));
  EXPECT_TRUE(rows->AllRowsFullyVisible());
  for (Integer i = 1; i < rows->CalculatedRowCount(); ++i)
    EXPECT_EQ(rows->Items(i)->Bounds.Top, rows->Items(i - 1)->Bounds.Bottom);
  // A single row taller than the area: the one visible row, not fully visible.
  v->GetOptionsView()->SetDataRowHeight(1000);
  Relayout(v);
  EXPECT_EQ(Rows(v)->VisibleCount, 1);
  EXPECT_EQ(Rows(v)->CalculatedRowCount(), 1);
  EXPECT_FALSE(Rows(v)->AllRowsFullyVisible());
  EXPECT_FALSE(v->GetController()->AllRecordsFit());
}

TEST_F(TableRowsFixture, LevelIndentsAndExpandButtons) {
  TcxGridDBTableView* v = Shown();
  v->GetColumn(0)->ChangeGroupIndex(0);
  v->DataController()->Groups()->FullExpand();
  Pump();
  TcxGridTableViewInfo* info = v->GetViewInfo();
  const Integer indent = info->GetLookAndFeelPainter()->ExpandButtonExtent() + 6;
  EXPECT_EQ(info->LevelIndent(), indent);
  EXPECT_EQ(info->GetVisualLevelCount(), 1);
  TcxGridRowsViewInfo* rows = Rows(v);
  auto* group = dynamic_cast<TcxGridGroupRowViewInfo*>(rows->Items(0));
  auto* data = dynamic_cast<TcxGridDataRowViewInfo*>(rows->Items(1));
  ASSERT_NE(group, nullptr);
  ASSERT_NE(data, nullptr);
  // The group cell spans the row; its button sits 3 pixels in, centred vertically.
  const TRect cell = group->GroupCell()->ContentBounds();
  const Integer size = info->GetLookAndFeelPainter()->ExpandButtonExtent();
  EXPECT_EQ(group->ExpandButtonBounds, TRect(cell.Left + 3, (cell.Top + cell.Bottom - size) / 2, cell.Left + 3 + size,
                                             (cell.Top + cell.Bottom - size) / 2 + size));
  EXPECT_EQ(group->GroupCell()->Text, "Country : France");
  // Data rows are indented by one level; their first cell starts after the indent.
  EXPECT_EQ(data->GetContentLeft(), data->Bounds.Left + indent);
  EXPECT_EQ(data->ExistingCell(0)->Bounds.Left, data->Bounds.Left + indent);
  EXPECT_EQ(info->HeaderViewInfo()->GetItemViewInfo(0)->CalculateWidth(), 80 + indent);
  // Hits: the indent, the expand button.
  TcxCustomGridHitTest* h = info->GetHitTest(data->Bounds.Left + 2, data->Bounds.Top + 2);
  EXPECT_EQ(h->GetHitTestCode(), 216);
  h = info->GetHitTest(group->ExpandButtonBounds.Left + 1, group->ExpandButtonBounds.Top + 1);
  EXPECT_EQ(h->GetHitTestCode(), 108);
  // Office 11: the data rows lose the indent of the last grouping level.
  v->GetOptionsView()->SetGroupRowStyle(grsOffice11);
  Relayout(v);
  EXPECT_EQ(v->GetViewInfo()->GetVisualLevelCount(), 0);
  auto* data11 = dynamic_cast<TcxGridDataRowViewInfo*>(Rows(v)->Items(1));
  ASSERT_NE(data11, nullptr);
  EXPECT_EQ(data11->GetContentLeft(), data11->Bounds.Left);
}

TEST_F(TableRowsFixture, CellMergingRunsAndHitTests) {
  TcxGridDBTableView* v = Shown();
  v->GetColumn(0)->GetOptions()->SetCellMerging(true);
  Relayout(v);
  TcxGridRowsViewInfo* rows = Rows(v);
  auto* r0 = static_cast<TcxGridDataRowViewInfo*>(rows->Items(0));
  auto* r1 = static_cast<TcxGridDataRowViewInfo*>(rows->Items(1));
  auto* r2 = static_cast<TcxGridDataRowViewInfo*>(rows->Items(2));
  TcxGridDataCellViewInfo* japan = r0->ExistingCell(0);
  EXPECT_TRUE(japan->Merging());
  EXPECT_EQ(japan->MergedCellCount(), 1);
  EXPECT_TRUE(r1->ExistingCell(0)->Merged());
  EXPECT_EQ(r1->ExistingCell(0)->MergingCell(), japan);
  EXPECT_EQ(japan->Bounds.Bottom, r1->ExistingCell(0)->Bounds.Bottom);
  EXPECT_FALSE(r1->ExistingCell(0)->IsCellVisible());
  EXPECT_TRUE(r2->ExistingCell(0)->Merging());  // France starts its own run
  EXPECT_FALSE(r0->ExistingCell(1)->Merging());  // another column does not merge
  // The lower cell answers hits in its own area; the merging cell only in its own.
  TcxCustomGridHitTest* h = v->GetViewInfo()->GetHitTest(r1->ExistingCell(0)->Bounds.Left + 3, r1->Bounds.Top + 3);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->ViewInfo(), r1->ExistingCell(0));
  // No merging with a preview or row separators.
  v->GetOptionsView()->SetRowSeparatorWidth(2);
  Relayout(v);
  EXPECT_FALSE(static_cast<TcxGridDataRowViewInfo*>(Rows(v)->Items(0))->ExistingCell(0)->Merging());
}

TEST_F(TableRowsFixture, CellBordersAreDrawnInOnePolylineCallInTheGridLineColour) {
  TcxGridDBTableView* v = Shown(0, TRecordingView::StaticClass());
  v->GetOptionsView()->SetGridLineColor(clRed);
  TRecordingTablePainter::Calls.clear();
  Relayout(v);
  form_->Repaint();
  Pump();
  ASSERT_FALSE(TRecordingTablePainter::Calls.empty());
  for (const auto& call : TRecordingTablePainter::Calls) {
    // Right and bottom border of each of the 4 x 3 cells.
    EXPECT_EQ(call.first, 4 * 3 * 2);
    EXPECT_EQ(call.second, clRed);
  }
  // The line under the first row's first cell is red on the screen.
  auto* r0 = static_cast<TcxGridDataRowViewInfo*>(Rows(v)->Items(0));
  const TRect cell = r0->ExistingCell(0)->Bounds;
  HDC dc = GetDC(v->Site()->Handle());
  EXPECT_EQ(GetPixel(dc, cell.Left + 5, cell.Bottom - 1), ColorToRGB(clRed));
  EXPECT_EQ(GetPixel(dc, cell.Right - 1, cell.Top + 5), ColorToRGB(clRed));
  ReleaseDC(v->Site()->Handle(), dc);
}

TEST_F(TableRowsFixture, PreviewAtTheBottomAndAtTheTop) {
  TcxGridDBTableView* v = Shown();
  v->Preview()->SetColumn(v->GetColumn(1));
  v->Preview()->SetVisible(true);
  v->Preview()->SetAutoHeight(false);
  v->Preview()->SetMaxLineCount(2);
  Relayout(v);
  TcxStyleParams params;
  v->GetStyles()->GetPreviewParams(nullptr, v->GetColumn(1), params);
  const Integer previewHeight = 2 * Qq(params.Font) + 4 + 1;
  TcxGridRowsViewInfo* rows = Rows(v);
  auto* row = static_cast<TcxGridDataRowViewInfo*>(rows->Items(0));
  ASSERT_NE(row->PreviewViewInfo(), nullptr);
  EXPECT_EQ(row->Bounds.Height(), rows->DataRowHeight() + previewHeight);
  EXPECT_EQ(row->PreviewViewInfo()->Bounds.Top, row->CellsAreaBounds().Bottom);
  EXPECT_EQ(row->PreviewViewInfo()->Bounds.Bottom, row->Bounds.Bottom);
  EXPECT_EQ(row->PreviewViewInfo()->GetTextAreaBounds().Left, row->PreviewViewInfo()->ContentBounds().Left + 20);
  EXPECT_EQ(row->PreviewViewInfo()->Text, "Tokyo");
  TcxCustomGridHitTest* h =
      v->GetViewInfo()->GetHitTest(row->PreviewViewInfo()->Bounds.Left + 30, row->PreviewViewInfo()->Bounds.Top + 3);
  EXPECT_EQ(h->GetHitTestCode(), 231);
  v->Preview()->SetPlace(ppTop);
  Relayout(v);
  row = static_cast<TcxGridDataRowViewInfo*>(Rows(v)->Items(0));
  EXPECT_EQ(row->PreviewViewInfo()->Bounds.Top, row->Bounds.Top);
  EXPECT_EQ(row->CellsAreaBounds().Top, row->Bounds.Top + previewHeight);
  EXPECT_EQ(row->ExistingCell(0)->Bounds.Top, row->CellsAreaBounds().Top);
  // No lines and no automatic height: no preview.
  v->Preview()->SetMaxLineCount(0);
  Relayout(v);
  EXPECT_EQ(Rows(v)->Items(0)->Bounds.Height(), Rows(v)->DataRowHeight());
}

TEST_F(TableRowsFixture, TheNewItemRowShowsItsInfoTextInTheVisiblePart) {
  TcxGridDBTableView* v = Shown();
  v->GetOptionsView()->SetNewItemRow(true);
  Relayout(v);
  TcxGridRowsViewInfo* rows = Rows(v);
  auto* newItemRow = static_cast<TcxGridNewItemRowViewInfo*>(rows->NewItemRowViewInfo());
  ASSERT_NE(newItemRow, nullptr);
  EXPECT_EQ(newItemRow->Bounds.Top, rows->Bounds.Top);
  EXPECT_EQ(newItemRow->Bounds.Height(), rows->DataRowHeight() + 6);
  EXPECT_EQ(rows->ContentBounds.Top, newItemRow->Bounds.Bottom);
  EXPECT_EQ(rows->Items(0)->Bounds.Top, newItemRow->Bounds.Bottom);
  EXPECT_TRUE(newItemRow->ShowsInfoText());
  EXPECT_EQ(newItemRow->Text, "Click here to add a new row");
  EXPECT_EQ(newItemRow->GetNewItemSeparatorBounds().Height(), 6);
  // Scrolled: the text stays centred in the visible part.
  grid_->SetBounds(10, 10, 150, 200);
  Pump();
  v->GetController()->SetLeftPos(40);
  newItemRow = static_cast<TcxGridNewItemRowViewInfo*>(Rows(v)->NewItemRowViewInfo());
  EXPECT_EQ(newItemRow->GetTextAreaBounds().Left, v->GetViewInfo()->HorzScrollArea().Left);
  EXPECT_LE(newItemRow->GetTextAreaBounds().Right, v->GetViewInfo()->HorzScrollArea().Right);
}

// ---- the controller -----------------------------------------------------------------------------------------

TEST_F(TableRowsFixture, HeaderClicksSortAndGroupByTheRules) {
  TcxGridDBTableView* v = Shown();
  TcxGridColumn* country = v->GetColumn(0);
  TcxGridColumn* city = v->GetColumn(1);
  TcxGridColumn* amount = v->GetColumn(2);
  TcxGridTableController* c = v->GetController();
  auto state = [&] {
    String s;
    for (TcxGridColumn* col : {country, city, amount}) {
      s += col->SortOrder() == soAscending ? "a" : col->SortOrder() == soDescending ? "d" : "-";
      s += std::to_string(col->SortIndex());
      s += "g" + std::to_string(col->GroupIndex()) + " ";
    }
    return s;
  };
  struct Step {
    TcxGridColumn* column;
    TShiftState shift;
    bool groupBySorting;
    const char* expected;
  } steps[] = {
      {city, {}, false, "--1g-1 a0g-1 --1g-1 "},
      {city, {}, false, "--1g-1 d0g-1 --1g-1 "},
      {amount, {ssShift}, false, "--1g-1 d0g-1 a1g-1 "},
      {country, {}, false, "a0g-1 --1g-1 --1g-1 "},
      {amount, {ssShift}, false, "a0g-1 --1g-1 a1g-1 "},
      {amount, {ssCtrl}, false, "a0g-1 --1g-1 --1g-1 "},
      {city, {}, true, "--1g-1 a0g0 --1g-1 "},
      {amount, {}, true, "--1g-1 --1g-1 a0g0 "},
      {amount, {ssCtrl}, true, "--1g-1 --1g-1 --1g-1 "},
  };
  for (const Step& s : steps) {
    if (v->GetOptionsCustomize()->GroupBySorting() != s.groupBySorting)
      v->GetOptionsCustomize()->SetGroupBySorting(s.groupBySorting);
    c->ProcessHeaderClick(s.column, s.shift);
    EXPECT_EQ(state(), s.expected) << s.column->Caption();
  }
  EXPECT_TRUE(city->Visible());  // ungrouping shows the column again
  // A grouped column's click only reverses its order.
  v->GetOptionsCustomize()->SetGroupBySorting(false);
  country->ChangeGroupIndex(0);
  country->SetSortOrder(soAscending);
  c->ProcessHeaderClick(country, {});
  EXPECT_EQ(country->SortOrder(), soDescending);
  EXPECT_EQ(country->GroupIndex(), 0);
}

TEST_F(TableRowsFixture, RealHeaderClicksSortAndTheSortMarksFollow) {
  TcxGridDBTableView* v = Shown();
  HWND site = v->Site()->Handle();
  TcxGridColumnHeaderViewInfo* header = v->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(2);
  const POINT p{header->Bounds.Left + 5, header->Bounds.Top + 3};
  S().Click(site, p);
  Pump();
  EXPECT_EQ(v->GetColumn(2)->SortOrder(), soAscending);
  EXPECT_EQ(v->GetController()->PressedColumn(), nullptr);
  header = v->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(2);
  bool hasMark = false;
  for (Integer i = 0; i < header->AreaViewInfoCount(); ++i)
    hasMark |= dynamic_cast<TcxGridColumnHeaderSortingMarkViewInfo*>(header->AreaViewInfo(i)) != nullptr;
  EXPECT_TRUE(hasMark);
  Advance(1000);
  S().Click(site, p);
  Pump();
  EXPECT_EQ(v->GetColumn(2)->SortOrder(), soDescending);
  // A press dragged beyond the drag-detect area sorts nothing.
  S().MouseDown(site, p);
  S().MoveMouse(site, POINT{p.X + 20, p.Y});
  S().MouseUp(site, POINT{p.X + 20, p.Y});
  Pump();
  EXPECT_EQ(v->GetColumn(2)->SortOrder(), soDescending);
}

TEST_F(TableRowsFixture, KeysMoveCellsThenScrollAndColumnsSelectAsARange) {
  TcxGridDBTableView* v = Shown();
  TcxGridTableController* c = FocusFirstCell(v, 150);
  // Right moves to the next cell; on the last cell it scrolls 10 pixels.
  Word key = VK_RIGHT;
  c->HandleKeyDown(key, TShiftState());
  EXPECT_EQ(c->FocusedItem(), v->GetColumn(1));
  c->SetFocusedItem(v->GetColumn(2));
  EXPECT_EQ(c->LeftPos(), v->GetViewInfo()->GetDataWidth() - v->GetViewInfo()->ClientWidth());  // made visible
  c->SetLeftPos(0);
  const Integer before = c->LeftPos();
  key = VK_RIGHT;
  c->HandleKeyDown(key, TShiftState());
  EXPECT_EQ(c->FocusedItem(), v->GetColumn(2));
  EXPECT_EQ(c->LeftPos(), before + 10);
  // Down focuses the next row.
  key = VK_DOWN;
  c->HandleKeyDown(key, TShiftState());
  EXPECT_EQ(c->FocusedRowIndex(), 1);
  // Column selection: a range in visible order, reversed ends swapped; cleared.
  c->SelectColumns(v->GetColumn(2), v->GetColumn(1));
  EXPECT_EQ(c->GetSelectedColumnCount(), 2);
  EXPECT_EQ(c->GetSelectedColumn(0), v->GetColumn(1));
  EXPECT_FALSE(v->GetColumn(0)->Selected());
  c->SelectAllColumns();
  EXPECT_EQ(c->GetSelectedColumnCount(), 3);
  c->ClearColumnSelection();
  EXPECT_EQ(c->GetSelectedColumnCount(), 0);
  EXPECT_THROW(c->GetSelectedColumn(0), EListError);
  // Drag scrolling near the edges: under 15 pixels at the top, 15 or less at the bottom.
  TRect vert;
  v->GetViewInfo()->GetVertScrollArea(vert);
  struct Case {
    Integer x, y, direction;
  } cases[] = {{vert.Left + 40, vert.Top + 14, 3},    {vert.Left + 40, vert.Top + 15, 0},
               {vert.Left + 40, vert.Bottom - 15, 4}, {vert.Left + 40, vert.Bottom - 16, 0},
               {vert.Left + 2, vert.Top + 40, 1},     {vert.Right - 15, vert.Top + 40, 2}};
  for (const Case& cs : cases) EXPECT_EQ(c->GetDragScrollDirection(cs.x, cs.y), cs.direction) << cs.x << "," << cs.y;
}

TEST_F(TableRowsFixture, PageKeysReachAndLeaveTheNewItemRowWhichCannotBeDeleted) {
  TcxGridDBTableView* v = Shown();
  v->GetOptionsView()->SetNewItemRow(true);
  Relayout(v);
  TcxGridTableController* c = v->GetController();
  c->FocusRowAtIndex(0);
  EXPECT_TRUE(c->CanDelete(false));
  Word key = VK_PRIOR;
  c->HandleKeyDown(key, TShiftState());
  EXPECT_TRUE(c->IsNewItemRowFocused());
  EXPECT_FALSE(c->CanDelete(false));
  key = VK_PRIOR;  // nothing further
  c->HandleKeyDown(key, TShiftState());
  EXPECT_TRUE(c->IsNewItemRowFocused());
  key = VK_DOWN;
  c->HandleKeyDown(key, TShiftState());
  EXPECT_FALSE(c->IsNewItemRowFocused());
  EXPECT_EQ(c->FocusedRowIndex(), 0);
  key = VK_UP;
  c->HandleKeyDown(key, TShiftState());
  EXPECT_TRUE(c->IsNewItemRowFocused());
  EXPECT_FALSE(c->CanAppend());
}

TEST_F(TableRowsFixture, LeftPosClampsAndOffsetsTheLayout) {
  TcxGridDBTableView* v = Shown();
  grid_->SetBounds(10, 10, 150, 200);
  Pump();
  TcxGridTableController* c = v->GetController();
  TcxGridTableViewInfo* info = v->GetViewInfo();
  const Integer maxPos = info->GetDataWidth() - info->ClientWidth();
  ASSERT_GT(maxPos, 0);
  c->SetLeftPos(-5);
  EXPECT_EQ(c->LeftPos(), 0);
  auto* row = static_cast<TcxGridDataRowViewInfo*>(Rows(v)->Items(0));
  const TRect header0 = info->HeaderViewInfo()->GetItemViewInfo(0)->Bounds;
  EXPECT_NE(row->ExistingCell(0), nullptr);
  EXPECT_EQ(row->ExistingCell(2), nullptr);  // out of view: no cell
  Integer changes = 0;
  v->OnLeftPosChanged = [&](TObject*) { ++changes; };
  c->SetLeftPos(100000);
  EXPECT_EQ(c->LeftPos(), maxPos);
  EXPECT_EQ(changes, 1);
  // Offset, not recalculated: the same view infos moved.
  EXPECT_EQ(Rows(v)->Items(0), row);
  EXPECT_EQ(info->HeaderViewInfo()->GetItemViewInfo(0)->Bounds.Left, header0.Left - maxPos);
  EXPECT_EQ(row->ExistingCell(0), nullptr);  // left the view
  ASSERT_NE(row->ExistingCell(2), nullptr);  // entered it
  EXPECT_EQ(row->ExistingCell(2)->Bounds.Left, info->HeaderViewInfo()->GetItemViewInfo(2)->GetRealLeft());
  // Scroll codes and the horizontal bar.
  Integer pos = 0;
  c->Scroll(sbHorizontal, scLineUp, pos);
  EXPECT_EQ(pos, maxPos - 10);
  pos = 3;
  c->Scroll(sbHorizontal, scTrack, pos);
  EXPECT_EQ(pos, 3);
  c->Scroll(sbHorizontal, scPageUp, pos);
  EXPECT_EQ(pos, 0);
  EXPECT_TRUE(c->CanScrollData(2));
  EXPECT_FALSE(c->CanScrollData(1));
  // The scrolled rectangles and the strips that repaint.
  const TRect horz = info->HorzScrollArea();
  EXPECT_EQ(horz.Top, info->HeaderViewInfo()->Bounds.Top);
  TRect scrolled, strip;
  info->GetHorzScrollRects(-10, scrolled, strip);
  EXPECT_EQ(scrolled, TRect(horz.Left + 10, horz.Top, horz.Right, horz.Bottom));
  EXPECT_EQ(strip, TRect(horz.Right - 10, horz.Top, horz.Right, horz.Bottom));
  info->GetHorzScrollRects(10, scrolled, strip);
  EXPECT_EQ(scrolled, TRect(horz.Left, horz.Top, horz.Right - 10, horz.Bottom));
  EXPECT_EQ(strip, TRect(horz.Left, horz.Top, horz.Left + 10, horz.Bottom));
  TRect vert;
  info->GetVertScrollArea(vert);
  TcxCustomGridRecordsViewInfo* rows = info->RecordsViewInfo();
  const Integer h = rows->Items(0)->Bounds.Height();
  info->GetVertScrollRects(-h, scrolled, strip);
  EXPECT_EQ(scrolled.Top, vert.Top + h);
  EXPECT_EQ(scrolled.Bottom, rows->Items(rows->VisibleCount - 2)->Bounds.Bottom);
  EXPECT_EQ(strip, TRect(vert.Left, scrolled.Bottom - h, vert.Right, vert.Bottom));
  info->GetVertScrollRects(h, scrolled, strip);
  EXPECT_EQ(scrolled.Top, rows->Items(1)->Bounds.Top);
  EXPECT_EQ(scrolled.Bottom, vert.Bottom - h);
  EXPECT_EQ(strip, TRect(vert.Left, vert.Top, vert.Right, rows->Items(1)->Bounds.Top + h));
  // Pixels move only where nothing painted moves with them.
  auto* painter = static_cast<TcxGridTablePainter*>(v->Painter());
  EXPECT_TRUE(painter->CanScrollWindow());
  v->GetColumn(0)->GetOptions()->SetCellMerging(true);
  EXPECT_FALSE(painter->CanScrollWindow());
  v->GetColumn(0)->GetOptions()->SetCellMerging(false);
  TBitmap bitmap;
  bitmap.SetWidth(4);
  bitmap.SetHeight(4);
  v->GetBackgroundBitmaps()->SetGroup(&bitmap);
  EXPECT_FALSE(painter->CanScrollWindow());
}

TEST_F(TableRowsFixture, CellMultiSelectFollowsKeysClicksAndTheRowIndicator) {
  TcxGridDBTableView* v = Shown();
  v->GetOptionsView()->SetIndicator(true);
  v->GetOptionsSelection()->SetCellMultiSelect(true);
  TcxGridTableController* c = FocusFirstCell(v, 400);
  c->SelectFocusedRecordOnly();
  auto selected = [&] {
    std::vector<TcxGridColumn*> out;
    for (Integer i = 0; i < c->GetSelectedColumnCount(); ++i) out.push_back(c->GetSelectedColumn(i));
    return out;
  };
  using Cols = std::vector<TcxGridColumn*>;
  EXPECT_EQ(selected(), Cols({v->GetColumn(0)}));
  EXPECT_EQ(c->CellSelectionAnchor(), v->GetColumn(0));
  // Shift+Right extends from the anchor; a plain Right selects only the new focused cell.
  S().PressKey(VK_RIGHT, true);
  EXPECT_EQ(c->FocusedItem(), v->GetColumn(1));
  EXPECT_EQ(selected(), Cols({v->GetColumn(0), v->GetColumn(1)}));
  S().PressKey(VK_RIGHT);
  EXPECT_EQ(selected(), Cols({v->GetColumn(2)}));
  EXPECT_EQ(c->CellSelectionAnchor(), v->GetColumn(2));
  EXPECT_TRUE(v->DataController()->IsRowSelected(0));
  // A press on the row indicator of the second row selects that row and every visible column
  // (the indicator is laid out with the footers, so the press is driven through its hit test).
  c->FocusRowAtIndex(1);
  auto* indicator = GetPooledHitTest<TcxGridRowIndicatorHitTest>(TPoint());
  indicator->GridRecord = c->FocusedRecord();
  ASSERT_TRUE(c->IsSelectionClick(indicator, TShiftState{ssLeft}));
  c->DoMouseDownSelection(indicator, TShiftState{ssLeft});
  EXPECT_EQ(c->GetSelectedColumnCount(), 3);
  EXPECT_TRUE(v->DataController()->IsRowSelected(1));
  EXPECT_FALSE(v->DataController()->IsRowSelected(0));
  // Shift with a cell press: the rows from the record anchor, the columns from the column anchor.
  c->SetCellSelectionAnchor(v->GetColumn(2));
  c->FocusRowAtIndex(2);
  c->SetFocusedItem(v->GetColumn(1));
  auto* press = GetPooledHitTest<TcxGridRecordCellHitTest>(TPoint());
  press->GridRecord = c->FocusedRecord();
  press->Item = v->GetColumn(1);
  c->DoMouseDownSelection(press, TShiftState{ssLeft, ssShift});
  EXPECT_EQ(selected(), Cols({v->GetColumn(1), v->GetColumn(2)}));
  EXPECT_TRUE(v->DataController()->IsRowSelected(1));
  EXPECT_TRUE(v->DataController()->IsRowSelected(2));
  // Only a left click on a selected cell changes the selection.
  TcxCustomGridHitTest* cell = v->GetViewInfo()->GetHitTest(
      v->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(1)->Bounds.Left + 5, Rows(v)->Items(2)->Bounds.Top + 3);
  ASSERT_NE(dynamic_cast<TcxGridRecordCellHitTest*>(cell), nullptr);
  EXPECT_TRUE(c->IsSelectionClick(cell, TShiftState{ssLeft}));
  EXPECT_FALSE(c->IsSelectionClick(cell, TShiftState{ssRight}));
  // Record selection cannot toggle, add ranges or wait for the mouse up while cells are selected.
  EXPECT_FALSE(c->CanToggleRecordSelection());
  EXPECT_FALSE(c->CanAddRangeToSelection());
  EXPECT_FALSE(c->CanPostponeRecordSelection());
  EXPECT_TRUE(c->SupportsPullFocusing());
  // Home and End stay with the editor while cells are selectable; Up and Down never do.
  EXPECT_FALSE(c->IsKeyForController(VK_HOME, TShiftState(), false));
  EXPECT_TRUE(c->IsKeyForController(VK_DOWN, TShiftState(), false));
}

TEST_F(TableRowsFixture, PullFocusingDirectionsAndPaging) {
  TcxGridDBTableView* v = Shown(20);
  v->GetOptionsView()->SetIndicator(true);
  grid_->SetBounds(10, 10, 200, 150);
  Pump();
  TcxGridTableController* c = v->GetController();
  TRect vert;
  v->GetViewInfo()->GetVertScrollArea(vert);
  const TRect rows = Rows(v)->Bounds;
  struct Case {
    Integer x, y;
    bool found;
    Integer direction;
  } cases[] = {{vert.Left + 5, rows.Top + 5, false, 0},    {vert.Left - 1, rows.Top + 5, true, 1},
               {vert.Right, rows.Top + 5, true, 2},        {vert.Left + 5, rows.Top - 1, true, 3},
               {vert.Left + 5, rows.Bottom, true, 4},      {vert.Right + 3, rows.Bottom + 3, true, 2}};
  for (const Case& cs : cases) {
    Integer direction = 0;
    EXPECT_EQ(c->GetPullFocusingScrollingDirection(cs.x, cs.y, direction), cs.found) << cs.x << "," << cs.y;
    EXPECT_EQ(direction, cs.direction) << cs.x << "," << cs.y;
  }
  // Pulling right moves the focus to the next cell.
  c->FocusRowAtIndex(0);
  c->SetFocusedItem(v->GetColumn(0));
  c->DoPullFocusingScrolling(2);
  EXPECT_EQ(c->FocusedItem(), v->GetColumn(1));
  // A page down keeps the last visible record on top; a page up brings the top record back to the bottom.
  const Integer visible = c->VisibleRecordCount();
  ASSERT_GT(visible, 2);
  c->ShowNextPage();
  EXPECT_EQ(c->TopRecordIndex(), visible - 1);
  Relayout(v);
  const Integer top = c->TopRecordIndex();
  c->ShowPrevPage();
  Relayout(v);
  EXPECT_EQ(c->TopRecordIndex() + c->VisibleRecordCount() - 1, top);
  c->SetTopRecordIndex(0);
  c->ShowPrevPage();
  EXPECT_EQ(c->TopRecordIndex(), 0);
  // The vertical bar: one step per record over all records, a page of the visible ones.
  Relayout(v);
  c->InitScrollBarsParameters();
  const TcxPendingBarState& bar = v->Site()->VerticalBar()->Pending();
  EXPECT_EQ(bar.Max, 23);
  EXPECT_EQ(bar.PageSize, c->VisibleRecordCount());
  EXPECT_EQ(bar.SmallChange, 1);
  EXPECT_EQ(bar.Position, 0);
  Integer pos = 0;
  c->Scroll(sbVertical, scLineDown, pos);
  EXPECT_EQ(pos, 1);
  pos = 5;
  c->Scroll(sbVertical, scTrack, pos);
  EXPECT_EQ(pos, 5);
  c->Scroll(sbVertical, scLineUp, pos);
  EXPECT_EQ(pos, 4);
  // Home and End: the first or last cell of the record; with Ctrl, the first or last record.
  struct KeyCase {
    Word key;
    TShiftState shift;
    Integer row, column;
  } keys[] = {{VK_END, TShiftState(), 0, 2},
              {VK_HOME, TShiftState(), 0, 0},
              {VK_END, TShiftState{ssCtrl}, 23, 0},
              {VK_HOME, TShiftState{ssCtrl}, 0, 0}};
  c->FocusRowAtIndex(0);
  c->SetFocusedItem(v->GetColumn(1));
  for (const KeyCase& k : keys) {
    Word key = k.key;
    c->HandleKeyDown(key, k.shift);
    EXPECT_EQ(c->FocusedRowIndex(), k.row) << k.key;
    EXPECT_EQ(c->FocusedItem(), v->GetColumn(k.column)) << k.key;
  }
}

}  // namespace

namespace {

TEST_F(TableRowsFixture, SelectionChangedFiresForRecordAndColumnSelection) {
  TcxGridDBTableView* v = Shown();
  v->GetOptionsSelection()->SetCellMultiSelect(true);
  TcxGridTableController* c = FocusFirstCell(v, 400);
  Integer fired = 0;
  v->OnSelectionChanged = [&](TcxCustomGridTableView* sender) {
    EXPECT_EQ(sender, v);
    ++fired;
  };
  struct Step {
    const char* what;
    std::function<void()> act;
    bool fires;
  } steps[] = {
      {"a row selected by the data controller", [&] { v->DataController()->ChangeRowSelection(2, true); }, true},
      {"all columns", [&] { c->SelectAllColumns(); }, true},
      {"the focused record only: the columns fall back to the focused one", [&] { c->SelectFocusedRecordOnly(); },
       true},
      {"a column range", [&] { c->SelectColumns(v->GetColumn(0), v->GetColumn(1)); }, true},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    fired = 0;
    s.act();
    Pump();
    EXPECT_EQ(fired > 0, s.fires);
  }
}

}  // namespace

namespace {

TEST_F(TableRowsFixture, CellAutoHeightMeasuresThroughTheEditors) {
  grid_->LookAndFeel()->SetKind(lfUltraFlat);
  TcxGridDBTableView* v = AddView();
  Bind(v, {{Variant("Japan"), Variant("Tokyo\nShinjuku\nShibuya"), Variant(1)},
           {Variant("Japan"), Variant("Osaka"), Variant(2)},
           {Variant("France"), Variant(""), Variant(3)}});
  ShowWithColumnWidth(v, 80);
  TcxGridRowsViewInfo* rows = Rows(v);
  const Integer plain = rows->DataRowHeight();
  for (Integer i = 0; i < 3; ++i) EXPECT_EQ(rows->Items(i)->Bounds.Height(), plain) << i;
  v->GetOptionsView()->SetCellAutoHeight(true);
  Relayout(v);
  rows = Rows(v);
  // The three-line text makes its row taller; the others keep the default data row height,
  // and every cell of the tall row takes the row's cells height.
  EXPECT_GT(rows->Items(0)->Bounds.Height(), 2 * plain);
  EXPECT_EQ(rows->Items(1)->Bounds.Height(), plain);
  EXPECT_EQ(rows->Items(2)->Bounds.Height(), plain);
  auto* tall = static_cast<TcxGridDataRowViewInfo*>(rows->Items(0));
  EXPECT_EQ(tall->ExistingCell(0)->Bounds.Height(), tall->ExistingCell(1)->Bounds.Height());
  EXPECT_EQ(tall->ExistingCell(1)->Bounds.Height(), tall->CellsAreaBounds().Height());
  // A fixed data row height wins over the cells' heights.
  v->GetOptionsView()->SetDataRowHeight(plain + 3);
  Relayout(v);
  EXPECT_EQ(Rows(v)->Items(0)->Bounds.Height(), plain + 3);
}

}  // namespace

namespace {
// Moving the focus with the keys repaints the rows it leaves and enters: the row it left is no
// longer painted selected.
// With MultiSelect, Shift with Up and Down spans the selection from the anchor; a plain arrow
// leaves only the new focused record selected.
TEST_F(TableRowsFixture, ShiftWithUpAndDownSpansTheSelectionFromTheAnchor) {
  TcxGridDBTableView* v = Shown(4);
  v->GetOptionsSelection()->SetMultiSelect(true);
  TcxGridTableController* c = FocusFirstCell(v, 300);
  c->FocusRowAtIndex(4);
  c->SelectFocusedRecordOnly();
  v->DataController()->SetSelectionAnchor(4);
  auto selected = [&] {
    std::vector<Integer> rows;
    for (Integer i = 0; i < v->DataController()->CountSelectedRows(); ++i)
      rows.push_back(v->DataController()->GetSelectedRowIndex(i));
    std::sort(rows.begin(), rows.end());
    return rows;
  };
  struct {
    int key;
    bool shift;
    Integer focused;
    std::vector<Integer> rows;
  } steps[] = {
      {VK_DOWN, true, 5, {4, 5}}, {VK_DOWN, true, 6, {4, 5, 6}}, {VK_UP, true, 5, {4, 5}},
      {VK_UP, true, 4, {4}},      {VK_UP, true, 3, {3, 4}},      {VK_DOWN, false, 4, {4}},
  };
  for (const auto& s : steps) {
    S().PressKey(s.key, s.shift);
    Pump();
    EXPECT_EQ(c->FocusedRowIndex(), s.focused);
    EXPECT_EQ(selected(), s.rows) << "focused " << s.focused;
  }
}

// The first column shown takes the focus, so typing searches at once; a hidden column passes the
// focus to the next focusable column after it (none past the last) and ends its search.
TEST_F(TableRowsFixture, ShownAndHiddenColumnsTakeAndPassTheFocus) {
  TcxGridDBTableView* v = Shown();
  TcxGridTableController* c = v->GetController();
  EXPECT_EQ(c->FocusedItem(), v->GetColumn(0));
  v->GetOptionsBehavior()->SetIncSearch(true);
  Focus(v->Site());
  c->FocusRowAtIndex(0);
  S().TypeText("F");
  EXPECT_TRUE(c->IsIncSearching());
  EXPECT_EQ(c->FocusedRowIndex(), 2);  // "France"
  v->GetColumn(0)->SetVisible(false);
  EXPECT_FALSE(c->IsIncSearching());
  EXPECT_EQ(c->FocusedItem(), v->GetColumn(1));
  v->GetColumn(0)->SetVisible(true);
  struct {
    Integer focused, hidden;
    TcxGridColumn* after;
  } cases[] = {{0, 0, v->GetColumn(1)}, {1, 1, v->GetColumn(2)}, {2, 2, nullptr}, {1, 0, v->GetColumn(1)}};
  for (const auto& cs : cases) {
    c->SetFocusedItem(v->GetColumn(cs.focused));
    v->GetColumn(cs.hidden)->SetVisible(false);
    EXPECT_EQ(c->FocusedItem(), cs.after) << cs.focused << " focused, " << cs.hidden << " hidden";
    v->GetColumn(cs.hidden)->SetVisible(true);
  }
}

// The focused cell counts as partly hidden while it reaches beyond the visible data area.
TEST_F(TableRowsFixture, TheFocusedCellIsPartlyHiddenBeyondTheVisibleArea) {
  TcxGridDBTableView* v = Shown();
  TcxGridTableController* c = FocusFirstCell(v, 150);
  const Integer farRight = v->GetViewInfo()->GetDataWidth() - v->GetViewInfo()->ClientWidth();
  struct {
    Integer leftPos, column;
    bool hidden;
  } cases[] = {{0, 0, false}, {0, 2, true}, {farRight, 0, true}, {farRight, 2, false}};
  for (const auto& cs : cases) {
    c->SetLeftPos(cs.leftPos);
    Pump();
    EXPECT_EQ(v->GetColumn(cs.column)->IsFocusedCellPartlyHidden(), cs.hidden) << cs.leftPos << " " << cs.column;
  }
}

TEST_F(TableRowsFixture, KeysMoveTheSelectedLookWithTheFocus) {
  TcxGridDBTableView* v = Shown();
  FocusFirstCell(v, 300);
  Pump();
  auto selectedLook = [&](Integer row) {
    auto* info = dynamic_cast<TcxGridDataRowViewInfo*>(Rows(v)->Items(row));
    return info && info->Cell(1)->Selected();
  };
  EXPECT_TRUE(selectedLook(0));
  v->GetColumn(1)->GetProperties();  // the text column asks for the shared properties last
  S().PressKey(VK_DOWN);
  Pump();
  S().PressKey(VK_DOWN);
  Pump();
  EXPECT_EQ(v->DataController()->FocusedRowIndex(), 2);
  EXPECT_FALSE(selectedLook(0));
  EXPECT_TRUE(selectedLook(2));
  // What is painted follows: the cells are calculated again with their colours, and the
  // number column keeps the right alignment of its field (its default properties are shared
  // with the text columns).
  TcxStyleParams selection, content;
  v->TableStyles()->ResolveViewParams(TcxCustomGridTableViewStyles::vsSelection, nullptr, nullptr, selection);
  auto cell = [&](Integer row, Integer column) {
    return dynamic_cast<TcxGridDataRowViewInfo*>(Rows(v)->Items(row))->Cell(column);
  };
  EXPECT_NE(cell(0, 1)->Params.Color, selection.Color);
  EXPECT_EQ(cell(2, 1)->Params.Color, selection.Color);
  for (Integer row : {0, 1, 2}) {
    auto* number = dynamic_cast<TcxCustomTextEditViewInfo*>(cell(row, 2)->EditViewInfo());
    ASSERT_NE(number, nullptr);
    EXPECT_TRUE(number->DrawTextFlags & tofRight) << row;
  }
  // Right moves the focused cell: the cell it left takes the selected colour, the new one not.
  EXPECT_NE(cell(2, 0)->Params.Color, selection.Color);
  S().PressKey(VK_RIGHT);
  Pump();
  EXPECT_EQ(cell(2, 0)->Params.Color, selection.Color);
  EXPECT_NE(cell(2, 1)->Params.Color, selection.Color);
}
}  // namespace

namespace {
class TableEditorKeysFixture : public TableRowsFixture {
 protected:
  // Focus on the first cell of the first row, then a click on the second row's City cell: the
  // click focuses that cell and opens its editor at once.
  TcxGridTableController* ClickCityOfSecondRow(TcxGridDBTableView* v) {
    TcxGridTableController* c = v->GetController();
    c->EditingController()->HideEdit(false);
    c->FocusRowAtIndex(0);
    c->SetFocusedItem(v->GetColumn(0));
    Advance(1000);  // no double click with the click before
    TRect r = Rows(v)->Items(1)->Bounds;
    S().Click(v->Site()->Handle(), {r.Left + 100, r.Top + 5});
    Pump();
    return c;
  }
  TcxCustomTextEdit* Editor(TcxGridTableController* c) {
    return dynamic_cast<TcxCustomTextEdit*>(c->EditingController()->Edit());
  }
};

// Keys typed into a clicked cell's editor: the editor keeps what it can use (the caret moves,
// Left and Right at the text ends, Home and End of a record with cells); Up, Down and the page
// keys move the focused row, Tab the focused cell with FocusCellOnTab. Without an editor the
// site's own keys act.
TEST_F(TableEditorKeysFixture, NavigationKeysFromTheInPlaceEditorReachTheController) {
  TcxGridDBTableView* v = Shown();
  FocusFirstCell(v, 300);
  enum Caret { kNoEditor = -1, kStart = 0, kMiddle = 2, kEnd = 5 };
  struct Case {
    const char* name;
    Word key;
    bool ctrl;
    Integer caret;
    bool alwaysShowEditor;
    Integer row, column;
    bool editing;
  } cases[] = {
      {"Down", VK_DOWN, false, kMiddle, false, 2, 1, false},
      {"Down, caret at the end", VK_DOWN, false, kEnd, false, 2, 1, false},
      {"Up", VK_UP, false, kStart, false, 0, 1, false},
      {"Down, AlwaysShowEditor", VK_DOWN, false, kMiddle, true, 2, 1, true},
      {"Ctrl+Down", VK_DOWN, true, kMiddle, false, 2, 1, false},
      {"PageDown", VK_NEXT, false, kMiddle, false, 3, 1, false},
      {"PageUp", VK_PRIOR, false, kMiddle, false, 0, 1, false},
      {"Right inside the text", VK_RIGHT, false, kMiddle, false, 1, 1, true},
      {"Right at the end", VK_RIGHT, false, kEnd, false, 1, 1, true},
      {"Left at the start", VK_LEFT, false, kStart, false, 1, 1, true},
      {"Home at the start", VK_HOME, false, kStart, false, 1, 1, true},
      {"Ctrl+End at the end", VK_END, true, kEnd, false, 1, 1, true},
      {"Tab", VK_TAB, false, kMiddle, false, 1, 2, false},
      {"Right, no editor", VK_RIGHT, false, kNoEditor, false, 1, 2, false},
      {"Home, no editor", VK_HOME, false, kNoEditor, false, 1, 0, false},
      {"Ctrl+End, no editor", VK_END, true, kNoEditor, false, 3, 1, false},
  };
  v->GetOptionsBehavior()->SetFocusCellOnTab(true);
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.name);
    v->GetOptionsBehavior()->SetAlwaysShowEditor(cs.alwaysShowEditor);
    TcxGridTableController* c = ClickCityOfSecondRow(v);
    ASSERT_EQ(c->FocusedRowIndex(), 1);
    ASSERT_TRUE(c->EditingController()->IsEditing());
    TcxCustomTextEdit* edit = Editor(c);
    ASSERT_NE(edit, nullptr);
    if (cs.caret == kNoEditor) {
      c->EditingController()->HideEdit(false);
      Pump();
      ASSERT_TRUE(v->Site()->Focused());
    } else {
      ASSERT_TRUE(edit->Focused() || HoldsInputFocus(edit));
      edit->SetSelStart(cs.caret);
      edit->SetSelLength(0);
    }
    S().PressKey(cs.key, false, cs.ctrl);
    EXPECT_EQ(c->FocusedRowIndex(), cs.row);
    EXPECT_EQ(c->FocusedItem(), v->GetColumn(cs.column));
    EXPECT_EQ(c->EditingController()->IsEditing(), cs.editing);
    if (cs.editing && cs.row != 1) {
      EXPECT_EQ(VarToStr(Editor(c)->EditValue()), "Paris");
    }
  }
  v->GetOptionsBehavior()->SetAlwaysShowEditor(false);
  // The caret moved inside the text; Space is typed, never taken for the selection.
  TcxGridTableController* c = ClickCityOfSecondRow(v);
  TcxCustomTextEdit* edit = Editor(c);
  edit->SetSelStart(kMiddle);
  edit->SetSelLength(0);
  S().PressKey(VK_RIGHT);
  EXPECT_EQ(edit->SelStart(), kMiddle + 1);
  S().PressKey(VK_SPACE);
  EXPECT_TRUE(c->EditingController()->IsEditing());
  EXPECT_EQ(c->FocusedRowIndex(), 1);
  EXPECT_EQ(edit->Text(), "Osa ka");
  EXPECT_FALSE(c->IsEditorNavigationKey(VK_SPACE, {}));
}

// After a click opens a cell's editor, every row is painted with the look of its current
// state: the row the focus left is no longer selected, the clicked row is, and each column
// keeps its own alignment.
TEST_F(TableEditorKeysFixture, AClickedRowTakesTheSelectedLookAndTheRowItLeftLosesIt) {
  TcxGridDBTableView* v = Shown();
  FocusFirstCell(v, 300);
  Pump();
  auto cell = [&](Integer row, Integer column) {
    return dynamic_cast<TcxGridDataRowViewInfo*>(Rows(v)->Items(row))->Cell(column);
  };
  auto rightAligned = [&](Integer row, Integer column) {
    auto* text = dynamic_cast<TcxCustomTextEditViewInfo*>(cell(row, column)->EditViewInfo());
    return text && (text->DrawTextFlags & DT_RIGHT) != 0;
  };
  // Focused with the site: the row is selected apart from its focused cell.
  EXPECT_EQ(cell(0, 0)->Params.Color, clWindow);
  EXPECT_EQ(cell(0, 1)->Params.Color, clHighlight);
  ClickCityOfSecondRow(v);
  S().Snapshot(form_->Handle(), "table_click_opens_editor.png");
  for (Integer column : {0, 1, 2}) EXPECT_EQ(cell(0, column)->Params.Color, clWindow) << column;
  EXPECT_EQ(cell(1, 0)->Params.Color, clHighlight);
  EXPECT_EQ(cell(1, 2)->Params.Color, clHighlight);
  for (Integer row : {0, 1, 2}) {
    EXPECT_FALSE(rightAligned(row, 0)) << row;
    EXPECT_TRUE(rightAligned(row, 2)) << row;
  }
}
}  // namespace
