// Group trees, totals, data headers, ordering, top values, variations and expanding, read as
// tree dumps, header leaves and clipboard texts.
#include "PivotGridFixture.h"
#include "vcl/Clipbrd.h"

using namespace pivot_fixture;

namespace {

// Regions and cities in the rows, years and quarters in the columns, the amount summed.
struct TSales : TPivot {
  TcxPivotGridField *region, *city, *year, *quarter, *amount, *qty;
  TSales() {
    region = Add("region", "String");
    city = Add("city", "String");
    year = Add("year", "Integer");
    quarter = Add("quarter", "Integer");
    amount = Add("amount", "Float");
    qty = Add("qty", "Integer");
    Fill({{"North", "Oslo", 2023, 1, 10.0, 1},
          {"North", "Oslo", 2023, 2, 20.0, 2},
          {"North", "Bergen", 2024, 3, 5.5, 3},
          {"South", "Rome", 2023, 1, 7.0, 4},
          {"South", "Rome", 2024, 4, 3.0, 5},
          {"South", "Lima", 2024, 3, Null(), 6}});
    grid->BeginUpdate();
    Place(region, faRow);
    Place(city, faRow);
    Place(year, faColumn);
    Place(quarter, faColumn);
    Place(amount, faData);
    grid->EndUpdate();
  }
};

}  // namespace

TEST(PivotGridLayout, TreesTotalsAndCells) {
  TSales s;
  EXPECT_EQ(s.Tree(true), "North(Bergen,Oslo),South(Lima,Rome)");
  EXPECT_EQ(s.Tree(false), "2023(1,2),2024(3,4)");
  EXPECT_EQ(s.Leaves(true), Texts({"North/Bergen", "North/Oslo", "North Total", "South/Lima", "South/Rome",
                                   "South Total", "Grand Total"}));
  EXPECT_EQ(s.Leaves(false), Texts({"2023/1", "2023/2", "2023 Total", "2024/3", "2024/4", "2024 Total", "Grand Total"}));
  EXPECT_EQ(s.Table(),
            "|||5.50||5.50|5.50;"
            "10.00|20.00|30.00||||30.00;"
            "10.00|20.00|30.00|5.50||5.50|35.50;"
            "||||||;"
            "7.00||7.00||3.00|3.00|10.00;"
            "7.00||7.00||3.00|3.00|10.00;"
            "17.00|20.00|37.00|5.50|3.00|8.50|45.50");
  // The first record of a group created it.
  EXPECT_EQ(s.grid->DataBuilder()->RowRoot()->Items(1)->RecordIndex(), 3);
}

TEST(PivotGridLayout, TotalsOptions) {
  struct {
    const char* name;
    std::function<void(TSales&)> setup;
    std::vector<String> columns;
  } cases[] = {
      {"near", [](TSales& s) { s.grid->OptionsView()->SetTotalsLocation(tlNear); },
       Texts({"Grand Total", "2023 Total", "2023/1", "2023/2", "2024 Total", "2024/3", "2024/4"})},
      {"no totals", [](TSales& s) { s.grid->OptionsView()->SetColumnTotals(false); },
       Texts({"2023/1", "2023/2", "2024/3", "2024/4", "Grand Total"})},
      {"no grand total", [](TSales& s) { s.grid->OptionsView()->SetColumnGrandTotals(false); },
       Texts({"2023/1", "2023/2", "2023 Total", "2024/3", "2024/4", "2024 Total"})},
      {"custom totals",
       [](TSales& s) {
         s.year->SetTotalsVisibility(tvCustom);
         s.year->CustomTotals()->Add()->SetSummaryType(stSum);
         s.year->CustomTotals()->Add()->SetSummaryType(stMax);
       },
       Texts({"2023/1", "2023/2", "2023 Sum", "2023 Max", "2024/3", "2024/4", "2024 Sum", "2024 Max", "Grand Total"})},
      {"no totals of the field", [](TSales& s) { s.year->SetTotalsVisibility(tvNone); },
       Texts({"2023/1", "2023/2", "2024/3", "2024/4", "Grand Total"})},
      {"no column fields",
       [](TSales& s) {
         s.year->SetVisible(false);
         s.quarter->SetVisible(false);
         s.grid->OptionsView()->SetColumnGrandTotals(false);
       },
       Texts({"Grand Total"})},
      {"single value without totals",
       [](TSales& s) {
         s.quarter->Filter()->Values()->Add(2);
         s.quarter->Filter()->Values()->Add(4);
       },
       Texts({"2023/1", "2024/3", "Grand Total"})},
      {"single value with totals",
       [](TSales& s) {
         s.quarter->Filter()->Values()->Add(2);
         s.quarter->Filter()->Values()->Add(4);
         s.grid->OptionsView()->SetTotalsForSingleValues(true);
       },
       Texts({"2023/1", "2023 Total", "2024/3", "2024 Total", "Grand Total"})},
  };
  for (auto& c : cases) {
    TSales s;
    c.setup(s);
    EXPECT_EQ(s.Leaves(false), c.columns) << c.name;
  }
}

TEST(PivotGridLayout, CustomTotalUsesItsSummaryTypeAndFormat) {
  TSales s;
  s.grid->BeginUpdate();
  s.region->SetTotalsVisibility(tvCustom);
  TcxPivotGridCustomTotal* t = s.region->CustomTotals()->Add();
  t->SetSummaryType(stMax);
  t->SetDisplayFormat("0.0");
  s.year->SetVisible(false);
  s.quarter->SetVisible(false);
  s.grid->EndUpdate();
  EXPECT_EQ(s.Leaves(true),
            Texts({"North/Bergen", "North/Oslo", "North Max", "South/Lima", "South/Rome", "South Max", "Grand Total"}));
  EXPECT_EQ(s.Table(), "5.50;30.00;20.0;;10.00;7.0;45.50");
}

TEST(PivotGridLayout, TwoDataFieldsWithTheDataHeader) {
  TSales s;
  s.grid->BeginUpdate();
  s.Place(s.qty, faData);
  s.quarter->SetVisible(false);
  s.city->SetVisible(false);
  s.grid->EndUpdate();
  EXPECT_EQ(s.Leaves(false), Texts({"2023/amount", "2023/qty", "2024/amount", "2024/qty", "Grand Total/amount",
                                    "Grand Total/qty"}));
  EXPECT_EQ(s.Table(), "30.00|3|5.50|3|35.50|6;7.00|4|3.00|11|10.00|15;37.00|7|8.50|14|45.50|21");

  s.grid->OptionsDataField()->SetArea(dfaRow);
  EXPECT_EQ(s.Leaves(true), Texts({"North/amount", "North/qty", "South/amount", "South/qty", "Grand Total/amount",
                                   "Grand Total/qty"}));
  s.grid->OptionsDataField()->SetAreaIndex(0);
  EXPECT_EQ(s.Leaves(true), Texts({"amount/North", "amount/South", "qty/North", "qty/South", "Grand Total/amount",
                                   "Grand Total/qty"}));
  // The header takes position 0 of the row area; the region field moves to 1.
  EXPECT_EQ(s.region->AreaIndex(), 1);
  EXPECT_EQ(s.Table(), "30.00|5.50|35.50;7.00|3.00|10.00;3|3|6;4|11|15;37.00|8.50|45.50;7|14|21");
}

TEST(PivotGridLayout, SortOrdersAnsiSortAndCompareHandler) {
  struct {
    const char* name;
    TcxDataSortOrder order;
    bool ansi;
    bool handler;
    const char* rows;
  } cases[] = {
      {"ordinal", soNone, false, false, "A,B,a,b"},
      {"ordinal descending", soDescending, false, false, "b,a,B,A"},
      {"locale", soAscending, true, false, "a,A,b,B"},
      {"handler reverses", soAscending, false, true, "b,a,B,A"},
  };
  for (const auto& c : cases) {
    TPivot p;
    TcxPivotGridField* k = p.Add("k", "String");
    TcxPivotGridField* v = p.Add("v", "Float");
    p.Fill({{"b", 1.0}, {"B", 1.0}, {"a", 1.0}, {"A", 1.0}, {"b", 1.0}});
    if (c.handler)
      p.grid->OnCompare = [](TcxCustomPivotGrid*, TcxPivotGridField*, const Variant&, const Variant&, int& r) { r = -r; };
    p.grid->OptionsData()->SetAnsiSort(c.ansi);
    k->SetSortOrder(c.order);
    p.Place(k, faRow);
    p.Place(v, faData);
    EXPECT_EQ(p.Tree(true), c.rows) << c.name;
  }
}

TEST(PivotGridLayout, MixedTypesAndInconsistentComparisonsStaySafe) {
  TPivot p;
  TcxPivotGridField* k = p.Add("k", "Variant");
  TcxPivotGridField* v = p.Add("v", "Float");
  std::vector<std::vector<Variant>> rows;
  for (int i = 0; i < 200; ++i) {
    Variant key = i % 4 == 0 ? Variant(i % 7) : i % 4 == 1 ? Variant(std::to_string(i % 5)) : i % 4 == 2 ? Null() : Variant(i % 3 == 0);
    rows.push_back({key, 1.0});
  }
  p.Fill(rows);
  int calls = 0;
  // A handler that answers without any consistent order.
  p.grid->OnCompare = [&](TcxCustomPivotGrid*, TcxPivotGridField*, const Variant&, const Variant&, int& r) {
    r = (++calls % 3) - 1;
  };
  k->SetSortOrder(soDescending);
  p.Place(k, faRow);
  p.Place(v, faData);
  p.grid->CheckChanges();
  EXPECT_GT(p.grid->DataBuilder()->RowRoot()->ItemCount(), 0);
  EXPECT_EQ(VarToStr(p.GrandTotal(v, stSum)), "200");
  k->GetUniqueValues();
  // Every record is in exactly one group.
  int records = 0;
  TcxPivotGridRowItem* root = p.grid->DataBuilder()->RowRoot();
  for (int i = 0; i < root->ItemCount(); ++i) records += root->Items(i)->Records().Count();
  EXPECT_EQ(records, 200);
}

TEST(PivotGridLayout, SortBySummaryAndTopValues) {
  struct {
    const char* name;
    TcxDataSortOrder order;
    int top;
    bool others;
    const char* columns;
    const char* total;
  } cases[] = {
      {"descending", soDescending, 0, false, "Oslo,Rome,Bergen,Lima", "45.5"},
      {"ascending", soAscending, 0, false, "Lima,Bergen,Rome,Oslo", "45.5"},
      {"top two", soDescending, 2, false, "Oslo,Rome", "40"},
      {"top two with others", soDescending, 2, true, "Oslo,Rome,Others", "45.5"},
      {"top beyond the count", soDescending, 4, true, "Oslo,Rome,Bergen,Lima", "45.5"},
  };
  for (const auto& c : cases) {
    TSales s;
    s.grid->BeginUpdate();
    s.year->SetVisible(false);
    s.quarter->SetVisible(false);
    s.region->SetArea(faFilter);
    s.city->SetArea(faColumn);
    s.city->SetSortOrder(c.order);
    s.city->SortBySummaryInfo()->SetField(s.amount);
    s.city->SetTopValueCount(c.top);
    s.city->SetTopValueShowOthers(c.others);
    s.grid->EndUpdate();
    EXPECT_EQ(s.Tree(false), c.columns) << c.name;
    EXPECT_EQ(VarToStr(s.GrandTotal(s.amount, stSum)), c.total) << c.name;
  }
}

TEST(PivotGridLayout, OthersHoldsTheMergedRecordsAndStaysLast) {
  TSales s;
  s.grid->BeginUpdate();
  s.year->SetVisible(false);
  s.quarter->SetVisible(false);
  s.city->SetArea(faColumn);
  s.region->SetArea(faFilter);
  s.city->SetTopValueCount(1);
  s.city->SetTopValueShowOthers(true);
  s.grid->EndUpdate();
  EXPECT_EQ(s.Leaves(false), Texts({"Bergen", "Others", "Grand Total"}));
  EXPECT_EQ(s.Table(), "5.50|40.00|45.50");
}

TEST(PivotGridLayout, TopValuesCutAfterRowSortingKeepsTheGrandTotalColumnRight) {
  TSales s;
  s.grid->BeginUpdate();
  s.year->SetVisible(false);
  s.quarter->SetVisible(false);
  s.city->SetArea(faColumn);
  s.region->SortBySummaryInfo()->SetField(s.amount);
  s.region->SetSortOrder(soDescending);
  s.city->SortBySummaryInfo()->SetField(s.amount);
  s.city->SetSortOrder(soDescending);
  s.city->SetTopValueCount(2);
  s.grid->EndUpdate();
  EXPECT_EQ(s.Leaves(false), Texts({"Oslo", "Rome", "Grand Total"}));
  // The rows were sorted before the cut; their grand-total column leaves the cut records out.
  EXPECT_EQ(s.Table(), "30.00||30.00;|10.00|10.00;30.00|10.00|40.00");
}

TEST(PivotGridLayout, Variations) {
  struct {
    const char* name;
    TcxPivotGridSummaryVariation variation;
    bool nullIgnore;
    const char* table;
  } cases[] = {
      {"absolute", svAbsolute, true, "||20.00|-5.00|"},
      {"absolute without ignoring", svAbsolute, false, "|-10.00|30.00|-5.00|"},
      {"percent", svPercent, true, "||200.00%|-16.67%|"},
  };
  for (const auto& c : cases) {
    TPivot p;
    TcxPivotGridField* q = p.Add("q", "Integer");
    TcxPivotGridField* a = p.Add("a", "Float");
    p.Fill({{1, 10.0}, {2, Null()}, {3, 30.0}, {4, 25.0}});
    p.grid->OptionsData()->SetVariationNullIgnore(c.nullIgnore);
    a->SetSummaryVariation(c.variation);
    p.Place(q, faColumn);
    p.Place(a, faData);
    EXPECT_EQ(p.Table(), c.table) << c.name;
  }
}

TEST(PivotGridLayout, VariationOfAWideTableDoesNotRecursePerColumn) {
  TPivot p;
  TcxPivotGridField* q = p.Add("q", "Integer");
  TcxPivotGridField* a = p.Add("a", "Float");
  const int n = 100000;
  std::vector<std::vector<Variant>> rows;
  rows.reserve(n);
  for (int i = 0; i < n; ++i) rows.push_back({i, i % 3 == 0 ? Null() : Variant(double(i))});
  p.Fill(rows);
  a->SetSummaryVariation(svAbsolute);
  p.Place(q, faColumn);
  p.Place(a, faData);
  p.grid->CheckChanges();
  // A column near the end first: the whole chain of previous cells is computed on the way.
  EXPECT_EQ(p.grid->ViewData()->CellText(0, n - 2), "1.00");
  EXPECT_EQ(p.grid->ViewData()->CellText(0, n - 3), "2.00");
  EXPECT_EQ(p.grid->ViewData()->CellText(0, n - 1), "");
}

TEST(PivotGridLayout, ExpandingIsSavedAndNeverRebuilds) {
  TSales s;
  int groupCalls = 0, layouts = 0;
  s.grid->BeginUpdate();
  s.region->SetGroupInterval(giCustom);
  s.region->OnGetGroupValue = [&](TcxPivotGridField*, int, Variant&) { ++groupCalls; };
  s.year->SetVisible(false);
  s.quarter->SetVisible(false);
  s.grid->EndUpdate();
  s.grid->OnLayoutChanged = [&](TObject*) { ++layouts; };
  groupCalls = 0;
  s.grid->DataBuilder()->RowRoot()->Items(0)->SetExpanded(false);
  EXPECT_EQ(groupCalls, 0);
  EXPECT_EQ(layouts, 1);
  EXPECT_EQ(s.Leaves(true), Texts({"North", "South/Lima", "South/Rome", "South Total", "Grand Total"}));
  s.grid->DataChanged();
  EXPECT_GT(groupCalls, 0);
  EXPECT_EQ(s.Leaves(true), Texts({"North", "South/Lima", "South/Rome", "South Total", "Grand Total"}));
  // Moving the field forgets its collapsed values.
  s.region->SetAreaIndex(0);
  EXPECT_EQ(s.Leaves(true).size(), 7u);
  s.grid->DataBuilder()->RowRoot()->SetExpandedForField(s.region, false);
  EXPECT_EQ(s.Leaves(true), Texts({"North", "South", "Grand Total"}));
}

TEST(PivotGridLayout, OneRebuildPerOutermostBracket) {
  TSales s;
  int groupCalls = 0, layouts = 0;
  s.region->SetGroupInterval(giCustom);
  s.region->OnGetGroupValue = [&](TcxPivotGridField*, int, Variant&) { ++groupCalls; };
  s.grid->OnLayoutChanged = [&](TObject*) { ++layouts; };
  s.grid->BeginUpdate();
  s.grid->BeginUpdate();
  s.amount->SetSummaryType(stMax);
  s.region->SetSortOrder(soDescending);
  s.grid->OptionsView()->SetRowTotals(false);
  s.grid->EndUpdate();
  EXPECT_EQ(layouts, 0);
  s.grid->EndUpdate();
  EXPECT_EQ(layouts, 1);
  EXPECT_EQ(groupCalls, 6);
}

TEST(PivotGridLayout, AHandlerThatRaisesReachesTheCallerAndTheNextChangeStartsAfresh) {
  TSales s;
  s.grid->OnCompare = [](TcxCustomPivotGrid*, TcxPivotGridField*, const Variant&, const Variant&, int&) {
    throw Exception("handler failed");
  };
  EXPECT_THROW(s.grid->DataChanged(), Exception);
  EXPECT_EQ(s.grid->ChangeFlags(), 0);
  s.grid->OnCompare = nullptr;
  s.grid->DataChanged();
  EXPECT_EQ(s.Tree(true), "North(Bergen,Oslo),South(Lima,Rome)");
}

TEST(PivotGridLayout, ClipboardOfTheSelection) {
  TSales s;
  s.grid->CheckChanges();
  s.grid->ViewData()->SetSelection(TRect(1, 1, 1, 1));
  EXPECT_EQ(s.grid->ClipboardText(false), "20.00");
  s.grid->OptionsSelection()->SetMultiSelect(true);
  s.grid->ViewData()->SetSelection(TRect(2, 2, 0, 1));
  EXPECT_EQ(s.grid->ClipboardText(false), "10.00\t20.00\t30.00\r\n10.00\t20.00\t30.00");
  s.grid->CopyToClipboard(false);
  EXPECT_EQ(Clipboard()->AsText(), "10.00\t20.00\t30.00\r\n10.00\t20.00\t30.00");
}

TEST(PivotGridLayout, ScrollingAndSelectionArithmetic) {
  TSales s;
  s.grid->CheckChanges();
  TcxPivotGridViewInfo* vi = s.grid->ViewInfo();
  int rh = vi->RowHeight();
  // Room for three and a half rows: three count as visible.
  s.grid->SetBounds(0, 0, 1200, 600);
  int border = s.grid->Height() - vi->Bounds.Height();
  s.grid->SetBounds(0, 0, 1200, vi->DataBounds.Top - vi->Bounds.Top + 3 * rh + rh / 2 + border);
  TcxPivotGridViewData* vd = s.grid->ViewData();
  EXPECT_EQ(vd->VisibleRowCount, 3);
  int pos = 0;
  EXPECT_TRUE(vd->ScrollRows(scPageDown, pos));
  EXPECT_EQ(vd->TopRow(), 3);
  // Scrolled to the end, the rows before the last that fit fill the free space.
  vd->ScrollRows(scBottom, pos);
  EXPECT_EQ(vd->TopRow(), 4);
  vd->ScrollRows(scLineDown, pos);
  EXPECT_EQ(vd->TopRow(), 4);
  vd->ScrollRows(scPageUp, pos);
  EXPECT_EQ(vd->TopRow(), 1);
  vd->SetSelection(TRect(5, 0, 5, 0));
  EXPECT_TRUE(vd->MakeSelectionVisible());
  EXPECT_EQ(vd->TopRow(), 0);
  EXPECT_EQ(vd->LeftColumn(), 0);
  vd->SetSelection(TRect(50, 50, 60, 60));
  EXPECT_EQ(vd->Selection().Left, 6);
  EXPECT_EQ(vd->Selection().Bottom, 6);
}
