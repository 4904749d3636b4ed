// Painting of the pivot view: sheets in every look and feel, the paint order and the done flag
// of the custom-draw events, the resolution of the view params, and handlers that raise.
#include "PivotGridViewFixture.h"
#include "foundation/cxStyles.h"
#include "foundation/dxOffice11.h"

using namespace pivot_fixture;

namespace {

TColor Rgb(TColor c) { return ColorToRGB(c); }

}  // namespace

// One grid per look and feel: totals, two data fields, a collapsed region, sort marks, filter
// buttons (one filter active), a selection with the focus and one without, and a grid with
// the application's area styles from a style sheet.
TEST(PivotGridViewPaint, SheetInEveryLookAndFeel) {
  testing_support::THeadlessSession session;
  auto* form = new TForm(Application);
  form->SetBounds(0, 0, 1250, 830);
  TComponent owner(nullptr);
  auto* repository = new TcxStyleRepository(&owner);
  auto* sheet = static_cast<TcxPivotGridStyleSheet*>(repository->NewStyleSheet(TcxPivotGridStyleSheet::StaticClass()));
  auto style = [&](TColor color, TColor text) {
    auto* s = static_cast<TcxStyle*>(repository->NewStyle(TcxStyle::StaticClass()));
    s->SetColor(color);
    s->SetTextColor(text);
    return s;
  };
  sheet->Styles()->SetColumnHeaderArea(style(0xE0C8A0, clNavy));
  sheet->Styles()->SetRowHeaderArea(style(0xE0C8A0, clNavy));
  sheet->Styles()->SetDataHeaderArea(style(0xE0C8A0, clNavy));
  sheet->Styles()->SetFilterHeaderArea(style(0xC8E0C8, clNavy));
  sheet->Styles()->SetTotal(style(0xD0F0FF, clBlack));
  struct {
    TcxLookAndFeelKind kind;
    bool native;
  } looks[] = {{lfStandard, false}, {lfFlat, false}, {lfUltraFlat, false}, {lfOffice11, false}, {lfStandard, true},
               {lfUltraFlat, false}};
  std::vector<TcxCustomPivotGrid*> grids;
  for (int i = 0; i < 6; ++i) {
    auto* grid = new TcxCustomPivotGrid(form);
    grid->SetParent(form);
    grid->SetBounds(8 + (i % 2) * 615, 8 + (i / 2) * 258, 605, 250);
    grid->LookAndFeel()->SetKind(looks[i].kind);
    grid->LookAndFeel()->SetNativeStyle(looks[i].native);
    const char* names[] = {"Country", "Region", "City", "Year", "Amount", "Qty"};
    const char* types[] = {"String", "String", "String", "Integer", "Float", "Integer"};
    std::vector<TcxPivotGridField*> f;
    for (int k = 0; k < 6; ++k) {
      f.push_back(grid->CreateField());
      f[k]->DataBinding()->SetValueType(types[k]);
      f[k]->SetCaption(names[k]);
    }
    TcxCustomDataController* dc = grid->DataController();
    std::vector<std::vector<Variant>> rows = {{"NO", "North", "Oslo", 2023, 10.0, 1},
                                              {"NO", "North", "Bergen", 2024, 5.5, 3},
                                              {"IT", "South", "Rome", 2023, 7.0, 4},
                                              {"IT", "South", "Lima", 2024, 1.0, 6},
                                              {"FR", "West", "Lyon", 2024, 2.25, 2}};
    grid->BeginUpdate();
    dc->SetRecordCount(int(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
      for (std::size_t k = 0; k < rows[r].size(); ++k) dc->SetValue(int(r), int(k), rows[r][k]);
    TcxPivotGridFieldArea areas[] = {faFilter, faRow, faRow, faColumn, faData, faData};
    for (int k = 0; k < 6; ++k) {
      f[k]->SetArea(areas[k]);
      f[k]->SetVisible(true);
    }
    f[0]->Filter()->Values()->Add("FR");
    f[1]->SetSortOrder(soDescending);
    grid->OptionsSelection()->SetMultiSelect(true);
    if (i == 5) grid->Styles()->SetStyleSheet(sheet);
    grid->EndUpdate();
    // South collapsed; a block of cells selected.
    TcxPivotGridGroupItem* south = grid->DataBuilder()->RowRoot()->Items(0);
    south->SetExpanded(false);
    grid->LayoutChanged();
    grid->ViewData()->SetSelection(TRect(1, 0, 2, 1));
    grids.push_back(grid);
  }
  form->Show();
  session.Pump();
  grids[0]->SetFocus();
  session.Pump();
  String path = session.Snapshot(form->Handle(), "pivotgrid_view_lookandfeels.png");
  EXPECT_FALSE(path.empty());
  form->Free();
}

TEST(PivotGridViewPaint, PaintOrderAndTheDoneFlag) {
  TShownPivot s;
  std::vector<char> order;
  s.grid->OnCustomDrawFieldHeader = [&](TcxCustomPivotGrid*, TcxCanvas*, TcxPivotGridFieldHeaderCellViewInfo*, bool& done) {
    EXPECT_FALSE(done);
    order.push_back('F');
  };
  s.grid->OnCustomDrawColumnHeader = [&](TcxCustomPivotGrid*, TcxCanvas*, TcxPivotGridHeaderCellViewInfo*, bool&) {
    order.push_back('C');
  };
  s.grid->OnCustomDrawPart = [&](TcxCustomPivotGrid*, TcxCanvas*, TcxPivotGridCustomCellViewInfo*, bool&) {
    order.push_back('P');
  };
  s.grid->OnCustomDrawRowHeader = [&](TcxCustomPivotGrid*, TcxCanvas*, TcxPivotGridHeaderCellViewInfo*, bool&) {
    order.push_back('R');
  };
  TcxPivotGridDataCellViewInfo* red = s.Cell(0, 0);
  TcxPivotGridDataCellViewInfo* blue = s.Cell(1, 0);
  s.grid->OnCustomDrawCell = [&](TcxCustomPivotGrid*, TcxCanvas* canvas, TcxPivotGridDataCellViewInfo* cell, bool& done) {
    order.push_back('D');
    if (cell->ColumnIndex == 0 && cell->RowIndex == 0) {
      canvas->FillRectColor(cell->Bounds, clRed);
      done = true;
    } else if (cell->ColumnIndex == 1 && cell->RowIndex == 0) {
      // Only the canvas colour: the default painting uses it.
      canvas->CurrentBrush()->SetColor(clBlue);
    }
  };
  TRect r0 = red->Bounds, r1 = blue->Bounds;
  COLORREF p0 = s.Pixel(r0.Left + 3, r0.Top + 3), p1 = s.Pixel(r1.Left + 3, r1.Top + 3);
  EXPECT_EQ(p0, COLORREF(Rgb(clRed)));
  EXPECT_EQ(p1, COLORREF(Rgb(clBlue)));
  // Field headers, column headers, parts, row headers, data cells.
  std::string seen;
  for (char c : order)
    if (seen.empty() || seen.back() != c) seen += c;
  EXPECT_EQ(seen.substr(0, 5), "FCPRD");
}

TEST(PivotGridViewPaint, StyleResolution) {
  TShownPivot s;
  TComponent owner(nullptr);
  auto* repository = new TcxStyleRepository(&owner);
  auto style = [&](TColor color) {
    auto* st = static_cast<TcxStyle*>(repository->NewStyle(TcxStyle::StaticClass()));
    st->SetColor(color);
    return st;
  };
  auto* sheet = static_cast<TcxPivotGridStyleSheet*>(repository->NewStyleSheet(TcxPivotGridStyleSheet::StaticClass()));
  sheet->Styles()->SetContent(style(0x00AA00));
  TcxStyle* indexed = style(0x0000AA);
  TcxStyle* fromEvent = style(0xAA0000);
  auto* boldStyle = static_cast<TcxStyle*>(repository->NewStyle(TcxStyle::StaticClass()));
  auto* boldFont = new TFont();
  boldFont->SetStyle(TFontStyles{fsBold});
  boldStyle->SetFont(boldFont);
  boldStyle->SetColor(0x00AAAA);
  delete boldFont;
  TcxCustomLookAndFeelPainterClass p = s.grid->ViewPainter();
  struct {
    const char* name;
    std::function<void()> setup;
    int column, row;
    TColor color;
  } cases[] = {
      {"defaults", [] {}, 0, 1, Rgb(p->ContentColor())},
      {"total ten percent darker", [] {}, 4, 1, ScaleColorByPercent(Rgb(p->ContentColor()), 90)},
      {"style sheet", [&] { s.grid->Styles()->SetStyleSheet(sheet); }, 0, 1, 0x00AA00},
      {"indexed style over the sheet", [&] { s.grid->Styles()->SetContent(indexed); }, 0, 1, 0x0000AA},
      {"event style first",
       [&] {
         s.grid->Styles()->OnGetContentStyle = [&](TcxCustomPivotGrid*, TcxPivotGridDataCellViewInfo* c, TcxStyle*& st) {
           if (c->ColumnIndex == 0) st = fromEvent;
         };
         s.grid->LayoutChanged();
       },
       0, 1, 0xAA0000},
  };
  for (auto& c : cases) {
    c.setup();
    EXPECT_EQ(Rgb(s.Cell(c.column, c.row)->ViewParams.Color), Rgb(c.color)) << c.name;
  }
  // A selected cell keeps only the font of its style: colours come from the selection.
  s.grid->Styles()->OnGetContentStyle = [&](TcxCustomPivotGrid*, TcxPivotGridDataCellViewInfo*, TcxStyle*& st) {
    st = boldStyle;
  };
  s.grid->SetFocus();
  s.session.Pump();
  s.grid->ViewData()->SetSelection(TRect(1, 1, 1, 1));
  s.grid->LayoutChanged();
  TcxPivotGridDataCellViewInfo* selected = s.Cell(1, 1);
  ASSERT_TRUE(selected->Selected);
  EXPECT_EQ(Rgb(selected->ViewParams.Color), Rgb(p->SelectionColor()));
  EXPECT_TRUE(selected->ViewParams.Font->Style().Contains(fsBold));
  EXPECT_EQ(selected->FocusMark, 1);
  EXPECT_EQ(Rgb(s.Cell(0, 1)->ViewParams.Color), Rgb(0x00AAAA));
  // The "Data" header's default text is red; a field header's the painter's.
  EXPECT_EQ(s.grid->OptionsDataField()->GetHeaderViewInfo()->ViewParams.TextColor, TColor(255));
  EXPECT_EQ(s.year->GetHeaderViewInfo()->ViewParams.TextColor, p->HeaderTextColor());
}

// Cells at their edges: a narrow cell with MarkNarrowCells paints one "#" per character; a
// header whose sort mark and filter button do not fit is clipped; a column header scrolled
// partly out paints its frame from the visible edge; a cell without a data field says so.
TEST(PivotGridViewPaint, CellsAtTheirEdges) {
  TShownPivot s;
  s.amount->SetWidth(24);
  s.grid->OptionsView()->SetMarkNarrowCells(true);
  TcxPivotGridDataCellViewInfo* narrow = s.Cell(0, 1);
  narrow->CheckCalculated();
  ASSERT_EQ(narrow->DisplayText, "10.00");
  std::unique_ptr<TBitmap> bitmap(CreateSizedBitmap(s.grid->ClientWidth(), s.grid->ClientHeight()));
  TcxCanvas canvas(bitmap->Canvas());
  auto paint = [&](bool mark, const String& text) {
    narrow->MarkNarrow = mark;
    narrow->DisplayText = text;
    canvas.FillRectColor(TRect(0, 0, bitmap->Width(), bitmap->Height()), clWhite);
    narrow->Draw(&canvas);
    TRGBColors pixels;
    ReadBitmapPixels(bitmap.get(), true, pixels);
    return pixels;
  };
  TRGBColors marked = paint(true, "10.00");
  EXPECT_TRUE(marked == paint(false, "#####"));
  EXPECT_FALSE(marked == paint(false, "10.00"));
  // A row field header too narrow for its sort mark and filter button.
  s.region->SetWidth(30);
  TcxPivotGridFieldHeaderCellViewInfo* region = s.region->GetHeaderViewInfo();
  region->CheckCalculated();
  EXPECT_TRUE(region->Clipped);
  TcxPivotGridFieldHeaderCellViewInfo* year = s.year->GetHeaderViewInfo();
  year->CheckCalculated();
  EXPECT_FALSE(year->Clipped);
  // "2023" spans two columns; scrolled by one it starts left of the column headers.
  s.amount->SetWidth(200);
  s.grid->ViewData()->SetLeftColumn(1);
  TcxPivotGridHeaderCellViewInfo* y2023 = s.Header(false, "2023");
  ASSERT_NE(y2023, nullptr);
  y2023->CheckCalculated();
  EXPECT_TRUE(y2023->Clipped);
  EXPECT_EQ(y2023->Bounds.Left, s.VI()->ColumnHeadersBounds.Left);
  // Without data fields the cells have nothing to show.
  s.grid->BeginUpdate();
  s.amount->SetVisible(false);
  s.qty->SetVisible(false);
  s.grid->EndUpdate();
  ASSERT_GT(s.VI()->DataCells.Count(), 0);
  TcxPivotGridDataCellViewInfo* empty = s.Cell(0, 0);
  empty->CheckCalculated();
  EXPECT_EQ(empty->DisplayText, "<No data to display>");
}

// A custom-draw handler that raises is reported; the next paint starts afresh.
TEST(PivotGridViewPaint, RaisingHandlersAreReportedAndTheNextPaintWorks) {
  TShownPivot s;
  int reported = 0;
  Application->OnException = [&](TObject*, const Exception&) { ++reported; };
  bool raise = true;
  int cells = 0;
  s.grid->OnCustomDrawCell = [&](TcxCustomPivotGrid*, TcxCanvas*, TcxPivotGridDataCellViewInfo*, bool&) {
    ++cells;
    if (raise) throw Exception("custom draw failed");
  };
  s.grid->Invalidate();
  s.session.Pump();
  EXPECT_EQ(reported, 1);
  raise = false;
  cells = 0;
  s.grid->Invalidate();
  s.session.Pump();
  EXPECT_EQ(cells, s.VI()->DataCells.Count());
  // A style event that raises during the layout: reported by the paint, the grid goes on.
  s.grid->Styles()->OnGetContentStyle = [&](TcxCustomPivotGrid*, TcxPivotGridDataCellViewInfo*, TcxStyle*&) {
    throw Exception("style failed");
  };
  EXPECT_THROW(s.grid->LayoutChanged(), Exception);
  s.grid->Styles()->OnGetContentStyle = nullptr;
  s.grid->LayoutChanged();
  EXPECT_GT(s.VI()->DataCells.Count(), 0);
  Application->OnException = nullptr;
}

// An image list freed while the headers show its images.
TEST(PivotGridViewPaint, ImageListFreedWhileInUse) {
  TShownPivot s;
  auto* images = new TImageList(nullptr);
  images->SetWidth(16);
  images->SetHeight(16);
  TBitmap bitmap;
  bitmap.SetSize(16, 16);
  images->Add(&bitmap, nullptr);
  s.grid->SetFieldHeaderImages(images);
  s.grid->SetGroupHeaderImages(images);
  s.year->SetImageIndex(0);
  s.region->OnGetGroupImageIndex = [](TcxPivotGridField*, TcxPivotGridViewDataItem*, int& index, TAlignment&,
                                      TcxAlignmentVert&) { index = 0; };
  s.grid->LayoutChanged();
  EXPECT_EQ(s.Header(true, "North")->ImageIndex, 0);
  EXPECT_EQ(s.VI()->HeaderHeight, std::max(s.VI()->HeaderHeight, 20));
  s.grid->BeginUpdate();
  images->Free();
  EXPECT_EQ(s.grid->FieldHeaderImages(), nullptr);
  s.grid->Invalidate();
  s.session.Pump();
  s.session.MoveMouse(s.Wnd(), TShownPivot::Center(s.FieldRect(s.year)));
  s.grid->EndUpdate();
  s.session.Pump();
  EXPECT_EQ(s.Header(true, "North")->ImageIndex, -1);
}
