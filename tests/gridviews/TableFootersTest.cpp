// Footers, group footers and the indicator of the table view: footer geometry for every look
// and feel, cells with and without summaries, the group-footer modes, the indicator kinds, its
// header and footer items and custom drawing, the row sizing edge, real clicks on the
// indicator, best fit over footer widths; a sheet.
#include <gtest/gtest.h>

#include <map>

#include "TableViewTestSupport.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "gridviews/cxGridRows.h"

namespace {

class TableFootersFixture : public gridviewstest::GridFormFixture {
 protected:
  // Japan (Tokyo 1, Osaka 2) and France (Paris 3, Lyon 4); extra rows of Chile.
  TcxGridDBTableView* Shown(TcxLookAndFeelKind kind = lfUltraFlat, Integer extra = 0) {
    grid_->LookAndFeel()->SetKind(kind);
    TcxGridDBTableView* v = AddView();
    std::vector<std::vector<Variant>> rows = {{Variant("Japan"), Variant("Tokyo"), Variant(1)},
                                              {Variant("Japan"), Variant("Osaka"), Variant(2)},
                                              {Variant("France"), Variant("Paris"), Variant(3)},
                                              {Variant("France"), Variant("Lyon"), Variant(4)}};
    for (Integer i = 0; i < extra; ++i) rows.push_back({Variant("Chile"), Variant("Santiago"), Variant(5 + i)});
    Bind(v, rows);
    v->GetOptionsCustomize()->SetColumnHidingOnGrouping(false);
    ShowWithColumnWidth(v, 80);
    return v;
  }
  TcxGridRowsViewInfo* Rows(TcxGridTableView* v) {
    return static_cast<TcxGridRowsViewInfo*>(v->GetViewInfo()->RecordsViewInfo());
  }
  TcxGridFooterViewInfo* Footer(TcxGridTableView* v) { return v->GetViewInfo()->FooterViewInfo(); }
  TcxGridIndicatorViewInfo* Indicator(TcxGridTableView* v) { return v->GetViewInfo()->IndicatorViewInfo(); }
  Integer Qq(TFont* font) {
    LazyScreenCanvas()->ApplyFont(font);
    return LazyScreenCanvas()->MeasureTextHeight("Qq");
  }
};

TEST_F(TableFootersFixture, FooterGeometryForEveryLookAndFeel) {
  TcxGridDBTableView* v = Shown();
  v->GetOptionsView()->SetFooter(true);
  const TcxLookAndFeelKind kinds[] = {lfFlat, lfStandard, lfUltraFlat, lfOffice11};
  for (TcxLookAndFeelKind kind : kinds) {
    SCOPED_TRACE(Integer(kind));
    grid_->LookAndFeel()->SetKind(kind);
    Relayout(v);
    TcxCustomLookAndFeelPainterClass painter = v->GetViewInfo()->GetLookAndFeelPainter();
    TcxGridFooterViewInfo* footer = Footer(v);
    ASSERT_TRUE(footer->Visible);
    TcxStyleParams params;
    v->GetColumn(0)->GetStyles()->GetFooterParams(nullptr, -1, params);
    const Integer cellHeight = Qq(params.Font) + 4 + 2 * painter->FooterCellFrameWidth() + 2 * painter->FooterCellSpacing();
    const Integer frame = painter->FooterFrameWidth();
    const Integer top = painter->FooterSeparatorWidth() + (painter->FooterFrameSides().Contains(bTop) ? frame : 0);
    const Integer bottom = painter->FooterFrameSides().Contains(bBottom) ? frame : 0;
    EXPECT_EQ(footer->Height(), top + cellHeight + bottom);
    // Below the rows, at the bottom of the view, as wide as the header.
    const TRect client = v->GetViewInfo()->ClientBounds();
    EXPECT_EQ(footer->Bounds.Top, client.Bottom);
    EXPECT_EQ(footer->Bounds.Left, v->GetViewInfo()->HeaderViewInfo()->Bounds.Left);
    EXPECT_EQ(footer->Bounds.Width(), v->GetViewInfo()->HeaderViewInfo()->Bounds.Width());
    // Cells under their headers, shrunk by the spacing, the outer ones inside the frame.
    const Integer spacing = painter->FooterCellSpacing();
    for (Integer i = 0; i < 3; ++i) {
      TcxGridColumnHeaderViewInfo* header = v->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(i);
      TcxGridColumnHeaderViewInfo* cell = footer->GetItemViewInfo(i);
      ASSERT_TRUE(cell->Calculated());
      const Integer left = i == 0 ? footer->ContentBounds().Left : header->Bounds.Left + header->Overlap();
      EXPECT_EQ(cell->Bounds.Left, left + spacing) << i;
      const Integer right = i == 2 ? footer->ContentBounds().Right : header->Bounds.Right;
      EXPECT_EQ(cell->Bounds.Right, right - spacing) << i;
      EXPECT_EQ(cell->Bounds.Height(), cellHeight - 2 * spacing) << i;
    }
  }
}

TEST_F(TableFootersFixture, FooterCellsWithAndWithoutSummaries) {
  TcxGridDBTableView* v = Shown();
  v->GetOptionsView()->SetFooter(true);
  v->GetColumn(2)->Summary()->SetFooterKind(skSum);
  Relayout(v);
  TcxDataSummary* summary = v->DataController()->Summary();
  struct Case {
    Integer column;
    bool hasSummary;
  } cases[] = {{0, false}, {1, false}, {2, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column);
    auto* cell = static_cast<TcxGridFooterCellViewInfo*>(Footer(v)->GetItemViewInfo(c.column));
    EXPECT_EQ(cell->HasSummary(), c.hasSummary);
    EXPECT_EQ(cell->GetText(), c.hasSummary ? summary->FooterSummaryDisplayText(0) : String());
    // Every cell answers hit tests as a footer cell of its column, painted or not.
    TcxCustomGridHitTest* h = v->GetViewInfo()->GetHitTest(cell->Bounds.Left + 3, cell->Bounds.Top + 3);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->GetHitTestCode(), 206);
    EXPECT_EQ(static_cast<TcxGridFooterCellHitTest*>(h)->Column, v->GetColumn(c.column));
  }
  EXPECT_EQ(summary->FooterSummaryDisplayText(0), "10.00");
  // Between cells: the footer itself.
  const TRect b = Footer(v)->Bounds;
  EXPECT_EQ(v->GetViewInfo()->GetHitTest(b.Left + 1, b.Top)->GetHitTestCode(), 205);
  // The footer's custom draw reaches the column's handler, then the view's.
  std::vector<String> drawn;
  v->GetColumn(2)->OnCustomDrawFooterCell = [&](TcxGridTableView*, TcxCanvas*, TcxCustomGridCellViewInfo* cell,
                                                bool&) { drawn.push_back("column " + cell->Text); };
  v->OnCustomDrawFooterCell = [&](TcxGridTableView*, TcxCanvas*, TcxCustomGridCellViewInfo* cell, bool& done) {
    drawn.push_back("view " + cell->Text);
    done = true;
  };
  v->Site()->Repaint();
  EXPECT_EQ(drawn, (std::vector<String>{"column 10.00", "view 10.00"}));
  // Best fit makes room for the footer's text.
  v->GetColumn(2)->Summary()->SetFooterFormat("Total amount of everything: 0");
  Relayout(v);
  v->GetColumn(2)->ApplyBestFit();
  Relayout(v);
  auto* cell = static_cast<TcxGridFooterCellViewInfo*>(Footer(v)->GetItemViewInfo(2));
  EXPECT_GE(cell->Bounds.Width(), cell->GetPreferredWidth() - 2 * v->GetViewInfo()->GetLookAndFeelPainter()->FooterCellSpacing());
  EXPECT_GT(v->GetColumn(2)->Width(), 80);
}

TEST_F(TableFootersFixture, FooterAutoHeightWrapsLongSummaries) {
  TcxGridDBTableView* v = Shown();
  v->GetOptionsView()->SetFooter(true);
  v->GetColumn(2)->Summary()->SetFooterKind(skSum);
  v->GetColumn(2)->Summary()->SetFooterFormat("Sum of all the amounts: 0");
  Relayout(v);
  const Integer single = Footer(v)->Height();
  auto* cell = static_cast<TcxGridFooterCellViewInfo*>(Footer(v)->GetItemViewInfo(2));
  EXPECT_FALSE(cell->MultiLine());
  v->GetOptionsView()->SetFooterAutoHeight(true);
  Relayout(v);
  cell = static_cast<TcxGridFooterCellViewInfo*>(Footer(v)->GetItemViewInfo(2));
  EXPECT_TRUE(cell->MultiLine());
  // The text no longer fits one line of an 80-pixel column: the footer grows by whole lines.
  EXPECT_GT(Footer(v)->Height(), single);
  TcxStyleParams params;
  v->GetColumn(2)->GetStyles()->GetFooterParams(nullptr, -1, params);
  EXPECT_EQ((Footer(v)->Height() - single) % Qq(params.Font), 0);
}

TEST_F(TableFootersFixture, GroupFooterModes) {
  TcxGridDBTableView* v = Shown();
  v->GetColumn(2)->Summary()->SetGroupFooterKind(skSum);
  v->GetColumn(0)->SetGroupIndex(0);
  grid_->SetBounds(10, 10, 300, 500);
  // Rows: France, Paris, Lyon, Japan, Tokyo, Osaka (groups sorted, records in their order).
  struct Case {
    TcxGridGroupFootersMode mode;
    bool collapseJapan;
    // Row text -> (footer count, indent of the first footer in level indents).
    std::map<String, std::pair<Integer, Integer>> footers;
  } cases[] = {
      {gfInvisible, false, {}},
      {gfVisibleWhenExpanded, false, {{"Lyon", {1, 1}}, {"Osaka", {1, 1}}}},
      {gfVisibleWhenExpanded, true, {{"Lyon", {1, 1}}}},
      {gfAlwaysVisible, false, {{"Lyon", {1, 0}}, {"Osaka", {1, 0}}}},
      {gfAlwaysVisible, true, {{"Lyon", {1, 0}}, {"Japan", {1, 0}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Integer(c.mode) * 10 + c.collapseJapan);
    v->DataController()->Groups()->FullExpand();
    if (c.collapseJapan) v->DataController()->Groups()->ChangeRowExpanding(3, false, false);
    v->GetOptionsView()->SetGroupFooters(c.mode);
    Relayout(v);
    TcxGridRowsViewInfo* rows = Rows(v);
    const Integer indent = v->GetViewInfo()->LevelIndent();
    std::map<String, std::pair<Integer, Integer>> seen;
    for (Integer i = 0; i < rows->CalculatedRowCount(); ++i) {
      TcxCustomGridRowViewInfo* row = rows->Row(i);
      TcxGridRowFootersViewInfo* footers = row->RowFooters();
      ASSERT_NE(footers, nullptr);
      if (footers->Count() == 0) continue;
      auto* data = dynamic_cast<TcxGridDataRow*>(row->GridRecord());
      const String key = data ? data->GetDisplayText(1) : static_cast<TcxGridGroupRow*>(row->GridRecord())->GetDisplayText(0);
      TcxGridRowFooterViewInfo* first = footers->Items(0);
      seen[key] = {footers->Count(), (first->Bounds.Left - row->Bounds.Left) / indent};
      // The footer lies below the content, above the separator; its cell shows the group's sum.
      EXPECT_EQ(first->Bounds.Top, row->Bounds.Top + row->GetRowContentHeight());
      EXPECT_EQ(first->Bounds.Right, row->Bounds.Right);
      auto* cell = static_cast<TcxGridFooterCellViewInfo*>(first->GetItemViewInfo(2));
      EXPECT_TRUE(cell->HasSummary());
      EXPECT_EQ(cell->GetText(), key == "Lyon" ? "7.00" : "3.00");
      EXPECT_FALSE(static_cast<TcxGridFooterCellViewInfo*>(first->GetItemViewInfo(1))->HasSummary());
      TcxCustomGridHitTest* h = v->GetViewInfo()->GetHitTest(cell->Bounds.Left + 2, cell->Bounds.Top + 2);
      ASSERT_NE(h, nullptr);
      EXPECT_EQ(h->GetHitTestCode(), 208);
    }
    EXPECT_EQ(seen, c.footers);
  }
}

TEST_F(TableFootersFixture, ARowClosingTwoGroupsGetsTwoIndentedFooters) {
  TcxGridDBTableView* v = Shown();
  v->GetColumn(2)->Summary()->SetGroupFooterKind(skSum);
  v->GetColumn(0)->SetGroupIndex(0);
  v->GetColumn(1)->SetGroupIndex(1);
  v->GetOptionsView()->SetGroupFooters(gfVisibleWhenExpanded);
  grid_->SetBounds(10, 10, 300, 500);
  v->DataController()->Groups()->FullExpand();
  Relayout(v);
  TcxGridRowsViewInfo* rows = Rows(v);
  const Integer indent = v->GetViewInfo()->LevelIndent();
  // France, Lyon, (4), Paris, (3): the row of Paris closes the city and the country.
  TcxCustomGridRowViewInfo* paris = nullptr;
  TcxCustomGridRowViewInfo* lyon = nullptr;
  for (Integer i = 0; i < rows->CalculatedRowCount(); ++i)
    if (auto* data = dynamic_cast<TcxGridDataRow*>(rows->Row(i)->GridRecord())) {
      if (data->GetDisplayText(1) == "Paris") paris = rows->Row(i);
      if (data->GetDisplayText(1) == "Lyon") lyon = rows->Row(i);
    }
  ASSERT_TRUE(paris && lyon);
  ASSERT_EQ(paris->RowFooters()->Count(), 2);
  TcxGridRowFooterViewInfo* inner = paris->RowFooters()->Items(0);
  TcxGridRowFooterViewInfo* outer = paris->RowFooters()->Items(1);
  EXPECT_EQ(inner->GroupLevel(), 1);
  EXPECT_EQ(outer->GroupLevel(), 0);
  EXPECT_EQ(inner->Bounds.Left - paris->Bounds.Left, 2 * indent);
  EXPECT_EQ(outer->Bounds.Left - paris->Bounds.Left, indent);
  EXPECT_EQ(outer->Bounds.Top, inner->Bounds.Bottom);
  EXPECT_EQ(static_cast<TcxGridFooterCellViewInfo*>(inner->GetItemViewInfo(2))->GetText(), "3.00");
  EXPECT_EQ(static_cast<TcxGridFooterCellViewInfo*>(outer->GetItemViewInfo(2))->GetText(), "7.00");
  // The city's indent column ends above the country's footer, which covers it; the country's
  // runs on beside both footers.
  EXPECT_EQ(paris->GetLevelIndentBounds(1).Bottom, outer->Bounds.Top);
  EXPECT_EQ(paris->GetLevelIndentBounds(0).Bottom, paris->Bounds.Bottom);
  EXPECT_EQ(paris->Bounds.Height(),
            rows->DataRowHeight() + inner->Bounds.Height() + outer->Bounds.Height() + paris->GetSeparatorWidth());
  ASSERT_EQ(lyon->RowFooters()->Count(), 1);
  EXPECT_EQ(lyon->RowFooters()->Items(0)->GroupLevel(), 1);
  // Best fit of the amount column counts the group footers' texts.
  v->GetColumn(2)->Summary()->SetGroupFooterFormat("Sum of the city and of the country: 0");
  Relayout(v);
  v->GetColumn(2)->ApplyBestFit();
  Relayout(v);
  for (Integer i = 0; i < Rows(v)->CalculatedRowCount(); ++i)
    if (TcxGridRowFootersViewInfo* footers = Rows(v)->Row(i)->RowFooters())
      for (Integer f = 0; f < footers->Count(); ++f) {
        auto* cell = static_cast<TcxGridFooterCellViewInfo*>(footers->Items(f)->GetItemViewInfo(2));
        EXPECT_GE(cell->Bounds.Width() + 2 * v->GetViewInfo()->GetLookAndFeelPainter()->FooterCellSpacing(),
                  cell->GetPreferredWidth());
      }
}

TEST_F(TableFootersFixture, IndicatorKindsAndItems) {
  TcxGridDBTableView* v = Shown();
  // Hidden: no width, the header starts at the view's left.
  EXPECT_EQ(Indicator(v)->IndicatorWidth(), 0);
  const Integer left = v->GetViewInfo()->ViewLeft();
  EXPECT_EQ(v->GetViewInfo()->HeaderViewInfo()->Bounds.Left, left);
  v->GetOptionsView()->SetIndicator(true);
  v->GetOptionsView()->SetFooter(true);
  Relayout(v);
  TcxGridIndicatorViewInfo* indicator = Indicator(v);
  const Integer width = v->GetOptionsView()->IndicatorWidth();
  EXPECT_EQ(indicator->Bounds.Width(), width);
  EXPECT_EQ(v->GetViewInfo()->HeaderViewInfo()->Bounds.Left, left + width);
  EXPECT_EQ(indicator->Bounds.Top, v->GetViewInfo()->HeaderViewInfo()->Bounds.Top);
  EXPECT_EQ(indicator->Bounds.Bottom, Footer(v)->Bounds.Bottom);
  ASSERT_NE(indicator->HeaderItem(), nullptr);
  ASSERT_NE(indicator->FooterItem(), nullptr);
  EXPECT_EQ(indicator->HeaderItem()->Bounds.Height(), v->GetViewInfo()->HeaderViewInfo()->Height());
  EXPECT_EQ(indicator->FooterItem()->Bounds, TRect(left, Footer(v)->Bounds.Top, left + width, Footer(v)->Bounds.Bottom));
  EXPECT_EQ(v->GetViewInfo()->GetHitTest(left + 2, indicator->HeaderItem()->Bounds.Top + 2)->GetHitTestCode(), 215);

  TcxGridTableController* c = v->GetController();
  TcxCustomDataController* dc = v->DataController();
  struct Case {
    bool multiSelect;
    Integer focused;
    std::vector<Integer> selected;
    bool edit;
    std::vector<TcxIndicatorKind> kinds;  // of the four rows
  } cases[] = {
      {false, 0, {}, false, {ikArrow, ikNone, ikNone, ikNone}},
      {false, 2, {}, false, {ikNone, ikNone, ikArrow, ikNone}},
      {true, 1, {1, 3}, false, {ikNone, ikMultiArrow, ikNone, ikMultiDot}},
      {false, 1, {}, true, {ikNone, ikEdit, ikNone, ikNone}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.focused * 10 + k.multiSelect);
    v->GetOptionsSelection()->SetMultiSelect(k.multiSelect);
    c->FocusRowAtIndex(k.focused);
    dc->ClearSelection();
    for (Integer r : k.selected) dc->ChangeRowSelection(r, true);
    if (k.edit) dc->Edit();
    Relayout(v);
    for (Integer i = 0; i < 4; ++i) {
      TcxGridIndicatorRowItemViewInfo* item = Rows(v)->Row(i)->IndicatorItem();
      ASSERT_NE(item, nullptr);
      EXPECT_EQ(item->IndicatorKind(), k.kinds[size_t(i)]) << i;
      EXPECT_EQ(item->Bounds, TRect(left, Rows(v)->Row(i)->Bounds.Top, left + width, Rows(v)->Row(i)->Bounds.Bottom)) << i;
      EXPECT_EQ(indicator->GetRowItemBounds(Rows(v)->Row(i)->GridRecord()), item->Bounds);
    }
    if (k.edit) dc->Cancel();
  }
  // The record being inserted shows the insert glyph.
  v->GetOptionsSelection()->SetMultiSelect(false);
  c->FocusRowAtIndex(0);
  dc->Insert();
  Relayout(v);
  TcxCustomGridRecord* focused = c->FocusedRecord();
  ASSERT_NE(focused, nullptr);
  ASSERT_NE(focused->ViewInfo, nullptr);
  EXPECT_EQ(static_cast<TcxCustomGridRowViewInfo*>(focused->ViewInfo)->IndicatorItem()->IndicatorKind(), ikInsert);
  dc->Cancel();
  // Every indicator cell goes through the view's custom draw event.
  std::vector<TClass> drawn;
  v->OnCustomDrawIndicatorCell = [&](TcxGridTableView*, TcxCanvas*, TcxCustomGridCellViewInfo* cell, bool&) {
    drawn.push_back(cell->ClassType());
  };
  Relayout(v);
  drawn.clear();
  v->Site()->Repaint();
  EXPECT_EQ(std::count(drawn.begin(), drawn.end(), TcxGridIndicatorHeaderItemViewInfo::StaticClass()), 1);
  EXPECT_EQ(std::count(drawn.begin(), drawn.end(), TcxGridIndicatorFooterItemViewInfo::StaticClass()), 1);
  EXPECT_EQ(std::count(drawn.begin(), drawn.end(), TcxGridIndicatorRowItemViewInfo::StaticClass()),
            Rows(v)->CalculatedRowCount());
}

TEST_F(TableFootersFixture, RowSizingEdgeAndRealIndicatorClicks) {
  TcxGridDBTableView* v = Shown();
  v->GetOptionsView()->SetIndicator(true);
  Relayout(v);
  HWND site = v->Site()->Handle();
  v->Site()->SetFocus();
  Pump();
  auto rowItem = [&](Integer i) { return Rows(v)->Row(i)->IndicatorItem(); };
  // Without row sizing the bottom edge is the row's indicator.
  const TRect b1 = rowItem(1)->Bounds;
  struct Case {
    bool sizing;
    Integer dy;  // from the bottom of row 1's item
    Integer code;
  } cases[] = {{false, -2, 213}, {true, -2, 214}, {true, 3, 214}, {true, -6, 213}, {true, 5, 213}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dy * 10 + c.sizing);
    v->GetOptionsCustomize()->SetDataRowSizing(c.sizing);
    Relayout(v);
    TcxCustomGridHitTest* h = v->GetViewInfo()->GetHitTest(3, b1.Bottom + c.dy);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->GetHitTestCode(), c.code);
    if (c.code == 214) {
      EXPECT_EQ(h->GetCursor(), crcxVertSize);
      EXPECT_EQ(static_cast<TcxGridRecordHitTest*>(h)->GridRecord, Rows(v)->Row(1)->GridRecord());
    }
  }
  // A real click beside a row focuses it; with cell multi-selection it selects all its cells.
  v->GetOptionsSelection()->SetCellMultiSelect(true);
  Relayout(v);
  S().Click(site, POINT{3, rowItem(2)->Bounds.Top + rowItem(2)->Bounds.Height() / 2});
  Pump();
  TcxGridTableController* c = v->GetController();
  ASSERT_NE(c->FocusedRecord(), nullptr);
  EXPECT_EQ(c->FocusedRecord()->Index(), 2);
  EXPECT_TRUE(v->DataController()->IsRowSelected(2));
  EXPECT_EQ(c->GetSelectedColumnCount(), 3);
  // A double click on the sizing edge gives the rows their automatic height back.
  v->GetOptionsSelection()->SetCellMultiSelect(false);
  v->GetOptionsView()->SetDataRowHeight(40);
  Relayout(v);
  EXPECT_EQ(Rows(v)->DataRowHeight(), 40);
  Advance(1000);
  S().DoubleClick(site, POINT{3, rowItem(0)->Bounds.Bottom - 1});
  Pump();
  EXPECT_EQ(v->GetOptionsView()->DataRowHeight(), 0);
  EXPECT_LT(Rows(v)->DataRowHeight(), 40);
}

TEST_F(TableFootersFixture, QuickCustomizationShowsTheIndicatorAndItsHeaderButton) {
  TcxGridDBTableView* v = Shown();
  struct Case {
    bool indicator, quick;
    bool shown, pressable;
  } cases[] = {{false, false, false, false}, {true, false, true, false}, {false, true, true, true}, {true, true, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.indicator * 10 + c.quick);
    v->GetOptionsView()->SetIndicator(c.indicator);
    v->GetOptionsCustomize()->SetItemsQuickCustomization(c.quick);
    Relayout(v);
    TcxGridIndicatorViewInfo* indicator = Indicator(v);
    EXPECT_EQ(indicator->Bounds.Width(), c.shown ? v->GetOptionsView()->IndicatorWidth() : 0);
    if (!c.shown) continue;
    ASSERT_NE(indicator->HeaderItem(), nullptr);
    EXPECT_EQ(indicator->HeaderItem()->IsHotTrackable(), c.pressable);
    EXPECT_EQ(indicator->HeaderItem()->HasHint(), c.pressable);
    if (c.pressable) { EXPECT_EQ(indicator->HeaderItem()->GetHintText(), "Click here to select visible columns"); }
    // The header item answers as the indicator (the quick customization opens from it).
    const TRect b = indicator->HeaderItem()->Bounds;
    TcxCustomGridHitTest* h = v->GetViewInfo()->GetHitTest(b.Left + 2, b.Top + 2);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->GetHitTestCode(), 215);
    EXPECT_EQ(h->ViewInfo(), indicator->HeaderItem());
  }
}

// The header item's hint (it names no clipped text) shows while the mouse is over the item,
// its text placed 5 pixels below the item.
TEST_F(TableFootersFixture, QuickCustomizationHintShowsBelowTheHeaderItem) {
  TcxGridDBTableView* v = Shown();
  v->GetOptionsCustomize()->SetItemsQuickCustomization(true);
  Relayout(v);
  TcxGridIndicatorHeaderItemViewInfo* item = Indicator(v)->HeaderItem();
  ASSERT_NE(item, nullptr);
  const TRect b = item->Bounds;
  S().MoveMouse(v->Site()->Handle(), POINT{b.Left + 3, b.Top + 3});
  Pump();
  TcxCustomGridController* c = v->Controller();
  ASSERT_NE(c->HintWindow(), nullptr);
  EXPECT_EQ(c->HintCell(), item);
  EXPECT_TRUE(IsWindowVisible(c->HintWindow()->Handle()));
  EXPECT_EQ(c->HintWindow()->Caption(), "Click here to select visible columns");
  // The window stands out of the text's place by its border plus 2 pixels.
  const TPoint text = v->Site()->ClientToScreen(TPoint(b.Left, b.Bottom + 5));
  THintWindow* w = c->HintWindow();
  const Integer by = (w->Height() - w->ClientHeight()) / 2 + 2;
  EXPECT_EQ(w->BoundsRect().Top, text.Y - by);
  S().MoveMouse(v->Site()->Handle(), POINT{b.Right + 40, b.Bottom + 40});
  Advance(200);
  EXPECT_EQ(c->HintCell(), nullptr);
}

TEST_F(TableFootersFixture, RowSizingByTheMouse) {
  TcxGridDBTableView* v = Shown();
  v->GetOptionsView()->SetIndicator(true);
  v->GetOptionsCustomize()->SetDataRowSizing(true);
  v->GetOptionsCustomize()->SetGroupRowSizing(true);
  v->GetColumn(0)->SetGroupIndex(0);
  grid_->SetBounds(10, 10, 300, 400);
  v->DataController()->Groups()->FullExpand();
  Relayout(v);
  HWND site = v->Site()->Handle();
  const Integer data0 = Rows(v)->DataRowHeight();
  // Row 0 is a group row, row 1 a data row. (row, vertical drag, Esc) -> the option's value.
  struct Case {
    Integer row, dy;
    bool escape;
    Integer startDataRowHeight;
    Integer dataRowHeight, groupRowHeight;  // -1: the row's content height plus dy
  } cases[] = {
      {1, 10, false, 0, -1, 0},           // taller data rows
      {1, -400, false, 30, data0, 0},     // snaps to the smallest data row height
      {1, -400, false, 0, 0, 0},          // already the smallest: nothing is stored
      {0, 12, false, 0, 0, -1},           // taller group rows
      {1, 15, true, 0, 0, 0},             // Esc cancels
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row * 1000 + c.dy);
    v->GetOptionsView()->SetDataRowHeight(c.startDataRowHeight);
    v->GetOptionsView()->SetGroupRowHeight(0);
    Relayout(v);
    TcxCustomGridRowViewInfo* row = Rows(v)->Row(c.row);
    const Integer content = row->GetDataHeight();
    const TRect item = row->IndicatorItem()->Bounds;
    const POINT from{item.Left + 3, item.Bottom - 1};
    Advance(1000);
    S().MouseDown(site, from);
    S().MoveMouse(site, POINT{from.X, from.Y + c.dy / 2});
    S().MoveMouse(site, POINT{from.X, from.Y + c.dy});
    if (c.escape) S().PressKey(VK_ESCAPE);
    S().MouseUp(site, POINT{from.X, from.Y + c.dy});
    Pump();
    const Integer expectedData = c.dataRowHeight == -1 ? content + c.dy : c.dataRowHeight;
    const Integer expectedGroup = c.groupRowHeight == -1 ? content + c.dy : c.groupRowHeight;
    EXPECT_EQ(v->GetOptionsView()->DataRowHeight(), expectedData);
    EXPECT_EQ(v->GetOptionsView()->GroupRowHeight(), expectedGroup);
    // Every row of the kind follows.
    if (expectedData > 0) { EXPECT_EQ(Rows(v)->Row(2)->Bounds.Height(), Rows(v)->Row(1)->Bounds.Height()); }
    if (expectedGroup > 0) { EXPECT_EQ(Rows(v)->GroupRowHeight(), expectedGroup); }
  }
}

}  // namespace

// Footers, group footers and the indicator in the application's look and two others.
TEST(TableFootersSheet, FootersGroupFootersAndIndicator) {
  testing_support::THeadlessSession session;
  InitializeADODB();
  InitializeCxGridDBTableView();
  auto* form = new TForm(Application);
  form->SetBounds(0, 0, 430, 3 * 250 + 40);
  TMemDataSet ds(nullptr);
  ds.AddFieldDef("Country", ftString, 20);
  ds.AddFieldDef("City", ftString, 20);
  ds.AddFieldDef("Amount", ftInteger);
  ds.AppendRow({Variant("Japan"), Variant("Tokyo"), Variant(10)});
  ds.AppendRow({Variant("Japan"), Variant("Osaka"), Variant(4)});
  ds.AppendRow({Variant("France"), Variant("Paris"), Variant(7)});
  ds.AppendRow({Variant("France"), Variant("Lyon"), Variant(2)});
  ds.Open();
  TDataSource source(nullptr);
  source.SetDataSet(&ds);
  const TcxLookAndFeelKind kinds[] = {lfUltraFlat, lfStandard, lfOffice11};
  const TcxGridGroupFootersMode modes[] = {gfVisibleWhenExpanded, gfAlwaysVisible, gfVisibleWhenExpanded};
  std::vector<TcxGridTableView*> views;
  for (int i = 0; i < 3; ++i) {
    auto* grid = new TcxGrid(form);
    grid->SetBounds(8, 8 + i * 250, 400, 240);
    grid->SetParent(form);
    grid->LookAndFeel()->SetKind(kinds[i]);
    auto* view = static_cast<TcxGridDBTableView*>(grid->CreateView(TcxGridDBTableView::StaticClass()));
    grid->Levels()->Add()->SetGridView(view);
    view->GetDataController()->SetDataSource(&source);
    view->GetDataController()->CreateAllItems();
    view->GetOptionsCustomize()->SetColumnHidingOnGrouping(false);
    view->GetOptionsView()->SetIndicator(true);
    view->GetOptionsView()->SetFooter(true);
    view->GetOptionsView()->SetGroupFooters(modes[i]);
    view->GetOptionsSelection()->SetMultiSelect(true);
    view->GetOptionsCustomize()->SetItemsQuickCustomization(i == 0);
    view->GetColumn(2)->Summary()->SetFooterKind(skSum);
    view->GetColumn(2)->Summary()->SetGroupFooterKind(skSum);
    view->GetColumn(1)->Summary()->SetFooterKind(skCount);
    view->GetColumn(0)->ChangeGroupIndex(0);
    if (kinds[i] == lfOffice11) view->GetOptionsView()->SetGroupRowStyle(grsOffice11);
    views.push_back(view);
  }
  form->Show();
  session.Pump();
  for (TcxGridTableView* view : views) {
    view->DataController()->Groups()->FullExpand();
    if (view == views[1]) view->DataController()->Groups()->ChangeRowExpanding(0, false, false);
    view->DataController()->ChangeRowSelection(view == views[1] ? 2 : 4, true);
  }
  session.Pump();
  for (TcxGridTableView* view : views) {
    auto* sum = static_cast<TcxGridFooterCellViewInfo*>(view->GetViewInfo()->FooterViewInfo()->GetItemViewInfo(2));
    EXPECT_EQ(sum->GetText(), view->DataController()->Summary()->FooterSummaryDisplayText(0));
    EXPECT_NE(sum->GetText().find("23"), String::npos);
  }
  session.Snapshot(form->Handle(), "gridviews_table_footers.png");
  form->Free();
}
