// Best fit of the shown pivot grid: field captions wider than the values under them.
#include "PivotGridViewFixture.h"

using namespace pivot_fixture;

namespace {

// Products in the rows, quarters in the columns, quantities summed: every value is shorter
// than the caption above it.
struct TNarrowPivot : TPivot {
  TForm* form;
  TcxPivotGridField *product, *quarter, *quantity;
  TNarrowPivot() {
    form = new TForm(Application);
    form->SetBounds(0, 0, 460, 260);
    grid->SetParent(form);
    grid->SetBounds(8, 8, 420, 200);
    grid->LookAndFeel()->SetKind(lfUltraFlat);
    product = Add("product", "String");
    quarter = Add("quarter", "String");
    quantity = Add("quantity", "Integer");
    Fill({{"A", "Q1", 1}, {"B", "Q2", 2}, {"A", "Q2", 3}});
    grid->BeginUpdate();
    product->SetCaption("Product");
    quarter->SetCaption("Quarter");
    quantity->SetCaption("Quantity(Sum)");
    Place(product, faRow);
    Place(quarter, faColumn);
    Place(quantity, faData);
    grid->EndUpdate();
    form->Show();
    session.Pump();
  }
  ~TNarrowPivot() { form->Free(); }
};

}  // namespace

// After the grid's best fit every field header shows its whole caption, however short the
// values under it: the data header in its band above a narrow row field (the band widens), a
// column field over one-character values, a row field over them. The value columns still fit
// their values, not the captions.
TEST(PivotGridBestFit, CaptionsWiderThanTheirValuesStayWhole) {
  struct {
    const char* what;
    const char* rowCaption;
  } cases[] = {{"short row caption", "Id"}, {"long row caption", "Product line of the year"}};
  for (auto& c : cases) {
    TNarrowPivot p;
    p.product->SetCaption(c.rowCaption);
    p.grid->ApplyBestFit();
    p.session.Pump();
    if (&c == &cases[0]) p.session.Snapshot(p.form->Handle(), "pivotgrid_bestfit_captions.png");
    TcxPivotGridViewInfo* vi = p.grid->ViewInfo();
    p.grid->CheckChanges();
    for (auto* f : {p.product, p.quarter, p.quantity}) {
      TcxPivotGridFieldHeaderCellViewInfo* h = f->GetHeaderViewInfo();
      // A placed header is at most 3 pixels narrower than its best width (the gap after it).
      EXPECT_GE(h->Bounds.Width(), h->BestWidth() - 3) << c.what << " " << f->Caption();
      EXPECT_FALSE(h->Bounds.IsEmpty()) << c.what << " " << f->Caption();
    }
    EXPECT_GE(vi->RowHeadersWidth, vi->DataFieldsWidth + 3) << c.what;
    // The value columns keep their own fit: the quarter columns stay narrow.
    EXPECT_LT(p.quarter->GetActualWidth(), p.quarter->GetHeaderViewInfo()->BestWidth()) << c.what;
    EXPECT_GE(p.product->GetActualWidth(), p.product->GetHeaderViewInfo()->BestWidth() + 4) << c.what;
  }
}

// After the grid's best fit no cell cuts its text: the widest sums of a data field, with a
// display format and without, and the group values in the row and column headers, all fit
// the text rectangle they are painted in (the grid lines and text offsets included).
TEST(PivotGridBestFit, NoCellCutsItsTextAfterTheFit) {
  struct {
    const char* what;
    const char* format;
  } cases[] = {{"no format", ""}, {"thousands and decimals", "#,##0.00"}};
  for (auto& c : cases) {
    TShownPivot s(900, 400);
    s.grid->BeginUpdate();
    s.Place(s.city, faFilter);
    s.Place(s.qty, faFilter);
    s.amount->SetDisplayFormat(c.format);
    s.grid->EndUpdate();
    // Values whose sums are wide in the grid's font.
    s.Fill({{"NO", "North", "Oslo", 2023, 1027.04, 1},
            {"NO", "Central", "Oslo", 2024, 3711.0, 2},
            {"IT", "South", "Rome", 2023, 1204.125, 4},
            {"IT", "South", "Rome", 2024, 88888.88, 5}});
    s.grid->ApplyBestFit();
    s.session.Pump();
    TcxPivotGridViewInfo* vi = s.grid->ViewInfo();
    s.grid->CheckChanges();
    vi->DataCells.CheckCalculated();
    ASSERT_GT(vi->DataCells.Count(), 0) << c.what;
    for (int i = 0; i < vi->DataCells.Count(); ++i) {
      auto* cell = static_cast<TcxPivotGridDataCellViewInfo*>(vi->DataCells[i]);
      EXPECT_FALSE(cell->IsTextTruncated(cell->Bounds.TopLeft()))
          << c.what << ": \"" << cell->DisplayText << "\" in " << cell->Bounds.Width() << " px";
    }
    for (TcxPivotGridCells* headers : {&vi->RowHeaders, &vi->ColumnHeaders}) {
      headers->CheckCalculated();
      for (int i = 0; i < headers->Count(); ++i) {
        auto* h = headers->CellAt(i);
        TPoint right(h->Bounds.Right - 1, h->Bounds.Top);
        EXPECT_FALSE(h->IsTextTruncated(right)) << c.what << ": header \"" << h->DisplayText << "\"";
      }
    }
  }
}
