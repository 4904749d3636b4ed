// The layout of the pivot view as tables of rectangles, computed from the same measuring calls
// (header heights and best widths of the texts in the grid's font), for reference grids.
#include "PivotGridViewFixture.h"

using namespace pivot_fixture;

namespace {

struct TMetrics {
  TcxCustomLookAndFeelPainterClass p;
  TFont* font;
  int H;
  explicit TMetrics(TcxCustomPivotGrid* grid) : p(grid->ViewPainter()), font(grid->Font()) {
    H = std::max({p->HeaderHeightForText(MeasureTextHeightInFont(font, "Wg")), int(p->SortMarkAreaSize().Y),
                  int(p->FilterDropDownButtonExtent().Y) + 4});
  }
  int Best(const String& caption, bool sortMark, bool filterButton) {
    return MeasureTextWidthInFont(font, caption) + 4 + (sortMark ? p->SortMarkAreaSize().X : 0) +
           (filterButton ? p->FilterDropDownButtonExtent().X + 2 : 0) + 6;
  }
};

struct TRow {
  const char* name;
  TRect actual, expected;
};

void ExpectTable(const std::vector<TRow>& rows) {
  for (const TRow& r : rows) EXPECT_EQ(RectText(r.actual), RectText(r.expected)) << r.name;
}

}  // namespace

TEST(PivotGridViewLayout, ReferenceGridInTheStandardLook) {
  TShownPivot s;
  s.grid->LookAndFeel()->SetKind(lfStandard);
  TcxPivotGridViewInfo* vi = s.VI();
  TMetrics m(s.grid);
  const TRect B = vi->Bounds;
  const int H = m.H;
  EXPECT_EQ(vi->HeaderHeight, H);
  EXPECT_FALSE(vi->HeadersOverlap);
  const int fah = H + 10 + 5;
  EXPECT_EQ(vi->FilterAreaHeight, fah);
  EXPECT_EQ(vi->RowHeadersWidth, 210);
  EXPECT_EQ(vi->ColumnLevelCount, 2);
  const int dbt = B.Top + fah + std::max((H + 10) * 2, (H + 10) + 2 * H);
  const int bandBottom = dbt - 5;
  int bestAmount = m.Best("Amount", false, false), bestQty = m.Best("Qty", false, false);
  TRect amount(B.Left + 3, B.Top + fah + 5, B.Left + bestAmount, B.Top + fah + 5 + H);
  ExpectTable({
      {"filter header", s.FieldRect(s.country),
       TRect(B.Left + 3, B.Top + 5, B.Left + 3 + m.Best("Country", false, true), B.Top + 5 + H)},
      {"data field header 1", s.FieldRect(s.amount), amount},
      {"data field header 2", s.FieldRect(s.qty),
       TRect(amount.Right + 3, amount.Top, amount.Right + 3 + bestQty - 3, amount.Bottom)},
      {"column field header", s.FieldRect(s.year),
       TRect(B.Left + 210, B.Top + fah + 5, B.Left + 210 + m.Best("Year", true, true), B.Top + fah + 5 + H)},
      {"row field header 1", s.FieldRect(s.region), TRect(B.Left + 3, bandBottom - H, B.Left + 102, bandBottom)},
      {"row field header 2", s.FieldRect(s.city), TRect(B.Left + 105, bandBottom - H, B.Left + 207, bandBottom)},
      {"data bounds top", TRect(0, vi->DataBounds.Top, 0, 0), TRect(0, dbt, 0, 0)},
      {"column header of a year", s.Header(false, "2023")->Bounds,
       TRect(B.Left + 210, dbt - 2 * H, B.Left + 420, dbt - H)},
      {"data header under the year", s.Header(false, "Amount")->Bounds,
       TRect(B.Left + 210, dbt - H, B.Left + 315, dbt)},
      {"grand total column reaches down", s.Header(false, "Grand Total")->Bounds,
       TRect(B.Left + 210 + 4 * 105, dbt - 2 * H, B.Left + 210 + 6 * 105, dbt - H)},
      {"row header of a region", s.Header(true, "North")->Bounds, TRect(B.Left, dbt, B.Left + 105, dbt + 2 * H)},
      {"row header of a city", s.Header(true, "Bergen")->Bounds, TRect(B.Left + 105, dbt, B.Left + 210, dbt + H)},
      {"total row spans both levels", s.Header(true, "North Total")->Bounds,
       TRect(B.Left, dbt + 2 * H, B.Left + 210, dbt + 3 * H)},
      {"first data cell", s.Cell(0, 0)->Bounds, TRect(B.Left + 210, dbt, B.Left + 315, dbt + H)},
  });
  EXPECT_TRUE(s.Cell(0, 0)->Borders == (TcxBorders{bRight, bBottom}));
  // The area hints are hidden while their areas hold fields; the filler covers the right.
  for (int i = 0; i < vi->Parts.Count(); ++i)
    if (auto* bg = dynamic_cast<TcxPivotGridHeaderBackgroundCellViewInfo*>(vi->Parts[i])) {
      EXPECT_FALSE(bg->ShowText);
    }
}

// The parts of the reference grid: the area backgrounds with their hints, the strip and line
// of the filter separator, and the fillers right of the last column and below the last row.
TEST(PivotGridViewLayout, AreaBackgroundsSeparatorAndFillers) {
  TShownPivot s(900, 400);
  s.grid->LookAndFeel()->SetKind(lfStandard);
  TcxPivotGridViewInfo* vi = s.VI();
  const TRect B = vi->Bounds;
  const int H = vi->HeaderHeight;
  ASSERT_TRUE(s.grid->OptionsView()->FilterSeparator());
  const int filter = B.Top + H + 10;               // bottom of the filter area's background
  const int band = B.Top + H + 10 + 5;             // the separator adds 5
  const int dbt = band + (H + 10) + 2 * H;         // the column band over two header levels
  const int right = B.Left + 210 + 6 * 105;        // six columns of the default width
  const int bottom = dbt + 7 * H;                  // seven rows
  ASSERT_EQ(RectText(vi->DataBounds), RectText(TRect(B.Left + 210, dbt, right, bottom)));
  std::vector<TRow> expected = {
      {"filter area \"Drop Filter Fields Here\"", TRect(), TRect(B.Left, B.Top, B.Right, filter)},
      {"separator strip", TRect(), TRect(B.Left, filter, B.Right, band)},
      {"separator line", TRect(), TRect(B.Left, band - 3, B.Right, band - 2)},
      {"data band \"Drop Data Fields Here\"", TRect(), TRect(B.Left, band, B.Left + 210, band + H + 10)},
      {"column band \"Drop Column Fields Here\"", TRect(), TRect(B.Left + 210, band, B.Right, dbt - 2 * H)},
      {"row band \"Drop Row Fields Here\"", TRect(), TRect(B.Left, band + H + 10, B.Left + 210, dbt)},
      {"filler right of the columns, from the column headers down", TRect(), TRect(right, dbt - 2 * H, B.Right, B.Bottom)},
      {"filler below the rows", TRect(), TRect(B.Left, bottom, B.Right, B.Bottom)},
  };
  ASSERT_EQ(vi->Parts.Count(), int(expected.size()));
  for (int i = 0; i < vi->Parts.Count(); ++i) expected[std::size_t(i)].actual = vi->Parts[i]->Bounds;
  ExpectTable(expected);
  EXPECT_NE(dynamic_cast<TcxPivotGridFilterSeparatorCellViewInfo*>(vi->Parts[2]), nullptr);
  // The hints are hidden while the areas hold fields; an emptied area shows its hint.
  auto hint = [&](int i) {
    auto* bg = dynamic_cast<TcxPivotGridHeaderBackgroundCellViewInfo*>(s.VI()->Parts[i]);
    return bg && bg->ShowText ? bg->DisplayText : String();
  };
  EXPECT_EQ(hint(0) + hint(3) + hint(4) + hint(5), "");
  s.country->SetVisible(false);
  EXPECT_EQ(hint(0), "Drop Filter Fields Here");
  // Without the separator the bands start right under the filter area.
  s.grid->OptionsView()->SetFilterSeparator(false);
  EXPECT_EQ(s.VI()->Parts[1]->Bounds.Top, filter);
}

TEST(PivotGridViewLayout, HeadersOverlapInTheUltraFlatLook) {
  for (bool overlap : {true, false}) {
    TShownPivot s;
    s.grid->LookAndFeel()->SetKind(overlap ? lfUltraFlat : lfOffice11);
    TcxPivotGridViewInfo* vi = s.VI();
    EXPECT_EQ(vi->HeadersOverlap, overlap);
    int dbt = vi->DataBounds.Top;
    EXPECT_EQ(vi->RowHeadersBounds.Top, dbt - (overlap ? 1 : 0));
    EXPECT_EQ(s.Header(true, "North")->Bounds.Top, dbt - (overlap ? 1 : 0));
    EXPECT_EQ(s.Cell(0, 0)->Bounds.Left, vi->DataBounds.Left + (overlap ? 1 : 0));
  }
}

TEST(PivotGridViewLayout, GridLinesGiveTheCellBorders) {
  struct {
    TcxPivotGridLines lines;
    TcxBorders borders;
  } cases[] = {{pglNone, TcxBorders{}}, {pglHorz, TcxBorders{bBottom}}, {pglVert, TcxBorders{bRight}},
               {pglBoth, TcxBorders{bRight, bBottom}}};
  TShownPivot s;
  for (auto& c : cases) {
    s.grid->OptionsView()->SetGridLines(c.lines);
    EXPECT_TRUE(s.Cell(1, 1)->Borders == c.borders) << int(c.lines);
  }
}

TEST(PivotGridViewLayout, FilterHeadersWrapAndTheAreaGrows) {
  TShownPivot s(260, 400);
  s.grid->LookAndFeel()->SetKind(lfStandard);
  TMetrics m(s.grid);
  s.grid->BeginUpdate();
  s.region->SetCaption("A rather long region caption");
  s.city->SetCaption("A rather long city caption");
  s.Place(s.region, faFilter);
  s.Place(s.city, faFilter);
  s.grid->EndUpdate();
  TcxPivotGridViewInfo* vi = s.VI();
  TRect first = s.FieldRect(s.country), second = s.FieldRect(s.region), third = s.FieldRect(s.city);
  EXPECT_EQ(second.Top, first.Top);
  EXPECT_EQ(third.Top, first.Bottom + 5);
  EXPECT_EQ(third.Left, vi->Bounds.Left + 3);
  EXPECT_EQ(vi->FilterAreaHeight, m.H + 10 + m.H + 5 + 5);
  // As one field group the two wrap together: the group passes the edge as a whole, and its
  // later member stays on the group's line even past the edge.
  s.grid->BeginUpdate();
  TcxPivotGridFieldGroup* group = s.grid->Groups()->Add();
  group->AddField(s.region);
  group->AddField(s.city);
  s.grid->EndUpdate();
  vi = s.VI();
  first = s.FieldRect(s.country), second = s.FieldRect(s.region), third = s.FieldRect(s.city);
  ExpectTable({
      {"group's first member on a new line", second,
       TRect(vi->Bounds.Left + 3, first.Bottom + 5, vi->Bounds.Left + 3 + second.Width(), first.Bottom + 5 + m.H)},
      {"later member beside it", third, TRect(second.Right + 3, second.Top, second.Right + 3 + third.Width(), second.Bottom)},
  });
  EXPECT_GT(third.Right, vi->Bounds.Right);
  EXPECT_EQ(vi->FilterAreaHeight, m.H + 10 + m.H + 5 + 5);
}

TEST(PivotGridViewLayout, ScrolledToTheLastRowAndColumnEarlierOnesFillTheSpace) {
  TShownPivot s(560, 200);
  TcxPivotGridViewData* vd = s.grid->ViewData();
  vd->SetLeftColumn(vd->ColumnCount() - 1);
  vd->SetTopRow(vd->RowCount() - 1);
  TcxPivotGridViewInfo* vi = s.VI();
  EXPECT_EQ(vi->ColumnItems.back(), vd->ColumnItem(vd->ColumnCount() - 1));
  EXPECT_EQ(vi->RowItems.back(), vd->RowItem(vd->RowCount() - 1));
  EXPECT_LT(vd->LeftColumn(), vd->ColumnCount() - 1);
  EXPECT_LT(vd->TopRow(), vd->RowCount() - 1);
  EXPECT_LE(vi->DataBounds.Right, vi->Bounds.Right);
  EXPECT_EQ(vi->ColumnItems.front(), vd->ColumnItem(vd->LeftColumn()));
  // Only the visible cells exist.
  EXPECT_EQ(vi->DataCells.Count(), int(vi->ColumnItems.size() * vi->RowItems.size()));
}

TEST(PivotGridViewLayout, DropAreasAroundTheHeadersAndInEmptyAreas) {
  TShownPivot s;
  TcxPivotGridViewInfo* vi = s.VI();
  std::vector<TcxPivotGridDragDropAreaInfo*> column, filter;
  for (auto& a : vi->DropAreas) {
    if (a->Area == faColumn) column.push_back(a.get());
    if (a->Area == faFilter) filter.push_back(a.get());
  }
  ASSERT_EQ(column.size(), 2u);
  TRect year = s.FieldRect(s.year);
  EXPECT_EQ(column[0]->AreaIndex, 0);
  EXPECT_EQ(column[1]->AreaIndex, 1);
  EXPECT_EQ(column[0]->MarkBounds.Left, year.Left);
  EXPECT_EQ(column[1]->Bounds.Right, vi->Bounds.Right);
  EXPECT_EQ(column[1]->MarkBounds.Left, year.Right + 1);
  EXPECT_EQ(column[0]->Field, s.year);
  // An empty area has one zone inside its background.
  s.country->SetVisible(false);
  filter.clear();
  for (auto& a : s.VI()->DropAreas)
    if (a->Area == faFilter) filter.push_back(a.get());
  ASSERT_EQ(filter.size(), 1u);
  EXPECT_EQ(filter[0]->AreaIndex, 0);
  EXPECT_EQ(filter[0]->Field, nullptr);
  EXPECT_EQ(filter[0]->Bounds.Left, s.VI()->Bounds.Left + 3);
}

TEST(PivotGridViewLayout, EmptyDataAreaShowsItsHintWhileColumnFieldsAreShown) {
  TShownPivot s;
  s.grid->BeginUpdate();
  s.amount->SetVisible(false);
  s.qty->SetVisible(false);
  s.grid->EndUpdate();
  for (bool columnFields : {true, false}) {
    s.grid->OptionsView()->SetColumnFields(columnFields);
    bool shown = false;
    TcxPivotGridViewInfo* vi = s.VI();
    for (int i = 0; i < vi->Parts.Count(); ++i)
      if (auto* bg = dynamic_cast<TcxPivotGridHeaderBackgroundCellViewInfo*>(vi->Parts[i]))
        if (bg->Area == faData && bg->ShowText && bg->Bounds == vi->DataBounds) shown = true;
    EXPECT_EQ(shown, columnFields && vi->DataCells.Count() == 0) << columnFields;
  }
}

// A bordered grid starts its band right of 0: the data headers still shrink into the band
// when their widths together pass its width.
TEST(PivotGridViewLayout, DataFieldHeadersShrinkIntoTheBand) {
  TShownPivot s;
  s.grid->BeginUpdate();
  s.region->SetVisible(false);
  s.city->SetVisible(false);
  s.grid->EndUpdate();
  TcxPivotGridViewInfo* vi = s.VI();
  ASSERT_GT(vi->Bounds.Left, 0);
  // The band one pixel narrower than the headers want.
  s.grid->OptionsView()->SetGrandTotalWidth(vi->DataFieldsWidth + 2);
  vi = s.VI();
  EXPECT_EQ(vi->RowHeadersWidth, vi->DataFieldsWidth + 2);
  EXPECT_LE(s.FieldRect(s.qty).Right, vi->Bounds.Left + vi->RowHeadersWidth);
  EXPECT_LT(s.FieldRect(s.amount).Width(), s.amount->GetHeaderViewInfo()->BestWidth() - 3);
}

TEST(PivotGridViewLayout, TheDataHeaderInTheColumnAndRowBands) {
  TShownPivot s;
  s.grid->LookAndFeel()->SetKind(lfStandard);
  TMetrics m(s.grid);
  s.grid->OptionsDataField()->SetArea(dfaColumn);
  TcxPivotGridViewInfo* vi = s.VI();
  const TRect B = vi->Bounds;
  TRect year = s.FieldRect(s.year);
  int dataBest = MeasureTextWidthInFont(m.font, "Data") + 4 + 6;
  EXPECT_EQ(vi->ColumnFieldHeaderCount(), 2);
  EXPECT_EQ(RectText(s.FieldRect(nullptr)), RectText(TRect(year.Right + 3, year.Top, year.Right + 3 + dataBest, year.Bottom)));
  EXPECT_EQ(vi->ColumnLevelCount, 2);
  s.grid->OptionsDataField()->SetArea(dfaRow);
  vi = s.VI();
  const int H = vi->HeaderHeight;
  EXPECT_EQ(vi->RowHeadersWidth, 315);
  EXPECT_EQ(vi->ColumnLevelCount, 1);
  int bandBottom = vi->DataBounds.Top - 5;
  ExpectTable({
      {"data header in the row band", s.FieldRect(nullptr), TRect(B.Left + 210, bandBottom - H, B.Left + 312, bandBottom)},
      {"data item in the rows", s.Header(true, "Amount")->Bounds,
       TRect(B.Left + 210, vi->DataBounds.Top, B.Left + 315, vi->DataBounds.Top + H)},
      {"its city spans its data items", s.Header(true, "Bergen")->Bounds,
       TRect(B.Left + 105, vi->DataBounds.Top, B.Left + 210, vi->DataBounds.Top + 2 * H)},
  });
  EXPECT_EQ(s.FieldRect(nullptr).Top, s.FieldRect(s.region).Top);
}
