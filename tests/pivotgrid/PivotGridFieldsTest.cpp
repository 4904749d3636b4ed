// Fields, dense positions, field groups, options, the data-set grid and bad input.
#include "PivotGridFixture.h"
#include "db/MemDataSet.h"
#include "pivotgrid/cxDBPivotGrid.h"

using namespace pivot_fixture;

namespace {

String Positions(TcxCustomPivotGrid* g, TcxPivotGridFieldArea area) {
  String s;
  for (int i = 0; i < g->FieldCount(); ++i)
    if (g->Fields(i)->Area() == area) s += g->Fields(i)->Name() + "=" + std::to_string(g->Fields(i)->AreaIndex()) + " ";
  return s;
}

}  // namespace

TEST(PivotGridFields, DefaultsAndClamps) {
  TPivot p;
  auto* loose = new TcxPivotGridField(&p.owner);
  EXPECT_EQ(loose->Area(), faFilter);
  EXPECT_EQ(loose->AreaIndex(), -1);
  EXPECT_FALSE(loose->Visible());
  TcxPivotGridField* other = p.Add("other", "String");
  p.Place(other, faFilter);
  // Attached and made visible, it goes after the fields of its area.
  loose->SetPivotGrid(p.grid);
  loose->SetVisible(true);
  EXPECT_EQ(loose->AreaIndex(), 1);
  TcxPivotGridField* f = p.Add("f", "String");
  EXPECT_EQ(f->Caption(), "f");
  f->SetCaption("f");
  EXPECT_FALSE(f->IsCaptionAssigned());
  f->SetCaption("Field");
  EXPECT_TRUE(f->IsCaptionAssigned());
  EXPECT_EQ(f->GetActualWidth(), 105);
  f->SetWidth(100);
  f->SetMinWidth(150);
  EXPECT_EQ(f->Width(), 150);
  f->SetGroupIntervalRange(0);
  EXPECT_EQ(f->GroupIntervalRange(), 1);
  std::vector<String> names;
  f->GetStoredProperties(names);
  EXPECT_EQ(names, Texts({"SortOrder", "GroupExpanded", "Visible", "Width", "Area", "AreaIndex"}));
  for (const auto& n : names) {
    try {
      f->GetStoredPropertyValue(n);
      FAIL() << n;
    } catch (const EcxPivotGrid& e) {
      EXPECT_STREQ(e.what(), "Not implemented yet!");
    }
  }
  EXPECT_THROW(f->SetStoredPropertyValue("Area", 1), EcxPivotGrid);
}

TEST(PivotGridFields, OptionClamps) {
  TPivot p;
  TcxPivotGridOptionsView* v = p.grid->OptionsView();
  v->SetFilterDropDownWidth(100);
  EXPECT_EQ(v->FilterDropDownWidth(), 150);
  v->SetFilterDropDownWidth(0);
  EXPECT_EQ(v->FilterDropDownWidth(), 150);
  v->SetGrandTotalWidth(5);
  EXPECT_EQ(v->GrandTotalWidth(), 20);
  v->SetGrandTotalWidth(-3);
  EXPECT_EQ(v->GrandTotalWidth(), 0);
  EXPECT_EQ(v->GetActualWidth(), 105);
  v->SetFilterDropDownMaxItemCount(0);
  EXPECT_EQ(v->FilterDropDownMaxItemCount(), 1);
  TcxPivotGridOptionsDataField* d = p.grid->OptionsDataField();
  d->SetCaption("Data");
  EXPECT_FALSE(d->IsCaptionAssigned());
  d->SetCaption("Values");
  EXPECT_TRUE(d->IsCaptionAssigned());
  d->SetWidth(5);
  EXPECT_EQ(d->Width(), 20);
  d->SetMinWidth(50);
  EXPECT_EQ(d->Width(), 50);
}

TEST(PivotGridFields, DenseRenumbering) {
  TPivot p;
  TcxPivotGridField* a = p.Add("a", "String");
  TcxPivotGridField* b = p.Add("b", "String");
  TcxPivotGridField* c = p.Add("c", "String");
  TcxPivotGridField* hidden = p.Add("hidden", "String");
  p.Place(a, faColumn);
  p.Place(b, faColumn);
  p.Place(c, faColumn);
  EXPECT_EQ(Positions(p.grid, faColumn), "a=0 b=1 c=2 ");
  // Moved by drag and drop to insert position 3 of the shown headers.
  a->SetHeaderAreaIndex(0);
  a->SetAreaPosition(faColumn, 3);
  EXPECT_EQ(Positions(p.grid, faColumn), "a=2 b=0 c=1 ");
  // A new visible field goes to the end of the filter area; an invisible one keeps its place.
  hidden->SetArea(faColumn);
  EXPECT_EQ(hidden->AreaIndex(), 3);
  EXPECT_FALSE(hidden->Visible());
  b->SetHeaderAreaIndex(0);
  b->SetAreaPosition(faRow, 0);
  EXPECT_EQ(Positions(p.grid, faColumn), "a=1 c=0 hidden=2 ");
  EXPECT_EQ(Positions(p.grid, faRow), "b=0 ");
}

TEST(PivotGridFields, DataHeaderTakesAPositionInItsArea) {
  TPivot p;
  TcxPivotGridField* a = p.Add("a", "String");
  TcxPivotGridField* b = p.Add("b", "String");
  TcxPivotGridField* x = p.Add("x", "Float");
  TcxPivotGridField* y = p.Add("y", "Float");
  p.Fill({{"a1", "b1", 1.0, 2.0}});
  p.Place(a, faColumn);
  p.Place(x, faData);
  p.Place(y, faData);
  p.grid->OptionsDataField()->SetArea(dfaColumn);
  p.grid->OptionsDataField()->SetAreaIndex(1);
  // b moves to shown position 1: before the header, which is renumbered with the fields.
  p.Place(b, faColumn);
  b->SetAreaPosition(faColumn, 1);
  EXPECT_EQ(Positions(p.grid, faColumn), "a=0 b=1 ");
  EXPECT_EQ(p.grid->OptionsDataField()->AreaIndex(), 2);
  // Dragging the header within its area from 2 to insert position 0.
  p.grid->OptionsDataField()->SetAreaPosition(faColumn, 0);
  EXPECT_EQ(p.grid->OptionsDataField()->AreaIndex(), 0);
  p.grid->CheckChanges();
  EXPECT_EQ(Positions(p.grid, faColumn), "a=1 b=2 ");
  // A single column value has no grand total unless asked for.
  EXPECT_EQ(p.Leaves(false), Texts({"x/a1/b1", "y/a1/b1"}));
  p.grid->OptionsView()->SetGrandTotalsForSingleValues(true);
  EXPECT_EQ(p.Leaves(false), Texts({"x/a1/b1", "y/a1/b1", "Grand Total/x", "Grand Total/y"}));
}

TEST(PivotGridFields, FieldGroupsMoveAndUnfoldTogether) {
  TPivot p;
  TcxPivotGridField* year = p.Add("year", "Integer");
  TcxPivotGridField* quarter = p.Add("quarter", "Integer");
  TcxPivotGridField* other = p.Add("other", "String");
  TcxPivotGridField* v = p.Add("v", "Float");
  p.Fill({{2023, 1, "o", 1.0}, {2023, 2, "o", 2.0}, {2024, 3, "o", 4.0}});
  p.Place(other, faRow);
  p.Place(year, faColumn);
  p.Place(quarter, faColumn);
  p.Place(v, faData);
  TcxPivotGridFieldGroup* g = p.grid->Groups()->Add();
  year->SetGroupIndex(0);
  quarter->SetGroupIndex(0);
  EXPECT_EQ(g->Caption(), "year-quarter");
  EXPECT_EQ(p.Tree(false), "2023(1,2),2024(3)");
  // Setting the area of the second field does nothing; the first moves the whole group.
  quarter->SetArea(faRow);
  EXPECT_EQ(quarter->Area(), faColumn);
  year->SetArea(faRow);
  EXPECT_EQ(Positions(p.grid, faRow), "year=1 quarter=2 other=0 ");
  // A leader that is not group-expanded hides the fields after it.
  year->SetGroupExpanded(false);
  EXPECT_EQ(p.Tree(true), "o(2023,2024)");
  EXPECT_EQ(g->VisibleCount(), 1);
  quarter->SetGroupIndex(-1);
  EXPECT_EQ(g->FieldCount(), 1);
}

TEST(PivotGridFields, CreateAndDeleteAllFieldsOfADataSet) {
  testing_support::THeadlessSession session;
  TComponent owner{nullptr};
  TMemDataSet ds{nullptr};
  TDataSource src{nullptr};
  ds.AddFieldDef("A", ftInteger);
  ds.AddFieldDef("B", ftString, 20);
  ds.AddFieldDef("C", ftFloat);
  ds.AppendRow({1, "x", 1.5});
  ds.AppendRow({2, "y", 2.5});
  ds.AppendRow({3, "x", 4.0});
  auto* grid = new TcxDBPivotGrid(&owner);
  grid->SetName("Pivot");
  grid->CreateAllFields();
  EXPECT_EQ(grid->FieldCount(), 0);  // no data set yet
  src.SetDataSet(&ds);
  ds.Open();
  ds.FieldByName("C")->SetDisplayLabel("Amount");
  grid->SetDataSource(&src);
  grid->CreateAllFields();
  ASSERT_EQ(grid->FieldCount(), 3);
  EXPECT_EQ(Positions(grid, faFilter), "PivotA=0 PivotB=1 PivotC=2 ");
  EXPECT_EQ(grid->Fields(2)->Caption(), "Amount");
  EXPECT_TRUE(grid->Fields(0)->Visible());
  grid->BeginUpdate();
  grid->Fields(1)->SetArea(faRow);
  grid->Fields(2)->SetArea(faData);
  grid->EndUpdate();
  EXPECT_EQ(grid->ViewData()->CellText(0, 0), "5.50");
  EXPECT_EQ(grid->ViewData()->CellText(2, 0), "8.00");
  grid->DeleteAllFields();
  EXPECT_EQ(grid->FieldCount(), 0);
  EXPECT_EQ(grid->DataController()->GetItemCount(), 0);
  grid->DeleteAllFields();
}

TEST(PivotGridFields, BadBindingsAndEmptyDataSetsNeverCrash) {
  testing_support::THeadlessSession session;
  TComponent owner{nullptr};
  TMemDataSet ds{nullptr};
  TDataSource src{nullptr};
  ds.AddFieldDef("A", ftString, 10);
  ds.AppendRow({"k"});
  ds.AppendRow({Null()});
  src.SetDataSet(&ds);
  auto* grid = new TcxDBPivotGrid(&owner);
  grid->SetDataSource(&src);
  auto* missing = static_cast<TcxDBPivotGridField*>(grid->CreateField());
  missing->DataBinding()->SetFieldName("nope");
  auto* a = static_cast<TcxDBPivotGridField*>(grid->CreateField());
  a->DataBinding()->SetFieldName("A");
  grid->BeginUpdate();
  missing->SetArea(faData);
  missing->SetVisible(true);
  a->SetArea(faRow);
  a->SetVisible(true);
  grid->EndUpdate();
  // Closed: no records, one empty grand-total cell.
  EXPECT_EQ(grid->ClipboardText(true), "");
  EXPECT_EQ(grid->ViewData()->RowCount(), 1);
  ds.Open();
  EXPECT_EQ(grid->ViewData()->RowCount(), 3);
  EXPECT_EQ(grid->ClipboardText(true), "\r\n\r\n");
  ds.Close();
  EXPECT_EQ(grid->ViewData()->RowCount(), 1);
}
