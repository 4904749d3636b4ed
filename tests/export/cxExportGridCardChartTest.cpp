// The card and chart view exporters: card maps in both layout directions with their separators,
// selections, captions, caption widths and card borders; the chart as a picture and as a table;
// each view through the recording provider, the text writer and the HTML writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "ExportTestSupport.h"
#include "RecorderSheetSupport.h"
#include "export/cxExportGridCardChart.h"
#include "foundation/cxGraphics.h"
#include "gridviews/cxGridCardView.h"
#include "gridviews/cxGridChartView.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/export/ExportRecorder.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"

namespace {

class cxExportGridCardChart : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxGridCardView();
    InitializeCxGridChartView();
    InitializeCxExportGrid4Link();
    TcxRecordingExportProvider::Register();
    NewForm();
  }
  void TearDown() override {
    TcxRecordingExportProvider::ClearCreated();
    TcxRecordingExportProvider::SetSupportsPictures(true);
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  // A new form with an empty grid (the old one freed).
  void NewForm() {
    if (form_) form_->Free();
    form_ = new TForm(Application);
    form_->SetBounds(50, 50, 900, 700);
    grid_ = new TcxGrid(form_);
    grid_->SetName("Grid1");
    grid_->SetBounds(10, 10, 860, 600);
    grid_->SetParent(form_);
  }
  // A card view of rows Name, City, Amount over "Person i", "Town i", i * 10.
  TcxGridCardView* Cards(Integer records, TcxGridCardViewLayoutDirection direction) {
    cards_ = static_cast<TcxGridCardView*>(grid_->CreateView(TcxGridCardView::StaticClass()));
    cards_->SetName("Cards1");
    grid_->Levels()->Add()->SetGridView(cards_);
    for (const char* caption : {"Name", "City", "Amount"}) cards_->CreateRow()->SetCaption(caption);
    cards_->SetLayoutDirection(direction);
    TcxCustomDataController* dc = cards_->DataController();
    dc->BeginUpdate();
    dc->SetRecordCount(records);
    for (Integer r = 0; r < records; ++r) {
      dc->SetValue(r, 0, Variant("Person " + IntToStr(r)));
      dc->SetValue(r, 1, Variant("Town " + IntToStr(r)));
      dc->SetValue(r, 2, Variant(r * 10));
    }
    dc->EndUpdate();
    form_->Show();
    Pump();
    return cards_;
  }
  void Relayout() {
    cards_->QueueLayoutChange();
    Pump();
  }
  // The screen layout's fullest column (horizontal) or its column count (vertical).
  Integer LayoutCards() {
    TcxGridCardsViewInfo* cards = cards_->GetViewInfo()->GetCardsViewInfo();
    if (cards_->LayoutDirection() == ldVertical) return cards->GetColumnCount();
    Integer most = 0;
    for (Integer c = 0; c < cards->GetColumnCount(); ++c) most = std::max(most, cards->GetColumn(c)->GetCardCount());
    return most;
  }
  // Sizes the grid until the layout holds n cards per column (horizontal) or per row.
  void FitLayout(Integer n) {
    for (Integer size = 120; size < 900; size += 4) {
      if (cards_->LayoutDirection() == ldVertical)
        grid_->SetBounds(10, 10, size, 600);
      else
        grid_->SetBounds(10, 10, 860, size);
      Relayout();
      if (LayoutCards() == n) return;
    }
    FAIL() << "no grid size gives " << n << " cards";
  }
  TcxRecordingExportProvider* Record(bool saveAll = true) {
    TcxRecordingExportProvider::ClearCreated();
    ExportGridToFile("cards.txt", cxExportToRecorder, grid_, true, saveAll, false, "", "", "", "");
    EXPECT_EQ(TcxRecordingExportProvider::Created().size(), 1u);
    return TcxRecordingExportProvider::Created().back().get();
  }
  // The text writer writes the recorder's cells.
  void ExpectTextWriterWritesTheSameCells(TcxRecordingExportProvider* r, bool saveAll = true) {
    TTempFolder dir;
    ExportGridToFile(dir.File("grid.txt"), cxExportToText, grid_, true, saveAll, false, "|", "", "", "");
    EXPECT_EQ(ReadWholeFile(dir.File("grid.txt")), TextLines(r));
  }
  Integer DefaultCaptionWidth() {
    TcxStyleParams params;
    Integer widest = 0;
    for (const char* caption : {"Name", "City", "Amount"}) {
      cards_->GetStyles()->GetRowCaptionParams(nullptr, cards_->GetRow(0), params);
      TFont* font = params.Font ? params.Font : LazyScreenCanvas()->CurrentFont();
      widest = std::max(widest, MeasureTextWidthInFont(font, caption) + 4);
    }
    return widest + 3;
  }

  // A chart of categories over `series` series of `rows` rows.
  TcxGridChartView* Chart(Integer series, Integer rows) {
    chart_ = static_cast<TcxGridChartView*>(grid_->CreateView(TcxGridChartView::StaticClass()));
    chart_->SetName("Chart1");
    grid_->Levels()->Add()->SetGridView(chart_);
    for (Integer s = 0; s < series; ++s) {
      TcxGridChartSeries* item = chart_->CreateSeries();
      item->SetName("Series" + IntToStr(s + 1));
      item->DataBinding()->SetValueType("Float");
      item->SetDisplayText("Sales " + IntToStr(2024 + s));
    }
    TcxCustomDataController* dc = chart_->DataController();
    dc->BeginUpdate();
    dc->SetRecordCount(rows);
    for (Integer r = 0; r < rows; ++r) {
      dc->SetValue(r, 0, Variant("Month " + IntToStr(r + 1)));
      for (Integer s = 0; s < series; ++s) dc->SetValue(r, s + 1, Variant(r * 10 + s + 0.5));
    }
    dc->EndUpdate();
    form_->Show();
    Pump();
    return chart_;
  }
  TcxRecordingExportProvider* RecordChart(bool pictures) {
    TcxRecordingExportProvider::SetSupportsPictures(pictures);
    TcxRecordingExportProvider::ClearCreated();
    ExportGridToFile("chart.txt", cxExportToRecorder, grid_, true, true, false, "", "", "", "");
    return TcxRecordingExportProvider::Created().back().get();
  }
  TForm* form_ = nullptr;
  TcxGrid* grid_ = nullptr;
  TcxGridCardView* cards_ = nullptr;
  TcxGridChartView* chart_ = nullptr;
};

// ---- card maps -------------------------------------------------------------------------------

// Cards placed like on the screen: a horizontal layout of two cards per column stacks them in
// columns four sheet columns apart with an empty row between two cards; a vertical layout of
// three per row puts them in rows three columns apart with two separator rows between two rows.
TEST_F(cxExportGridCardChart, CardMapsInBothLayouts) {
  struct Case {
    const char* what;
    TcxGridCardViewLayoutDirection direction;
    Integer records, perLayout, cols, rows;
    const char* sheet;
  };
  const Case cases[] = {
      {"horizontal, 5 cards of 2 per column", ldHorizontal, 5, 2, 12, 9,
       "\n"
       "1:Name 2:Person 0 5:Name 6:Person 2 9:Name 10:Person 4\n"
       "1:City 2:Town 0 5:City 6:Town 2 9:City 10:Town 4\n"
       "1:Amount 2:0 5:Amount 6:20 9:Amount 10:40\n"
       "\n"
       "1:Name 2:Person 1 5:Name 6:Person 3\n"
       "1:City 2:Town 1 5:City 6:Town 3\n"
       "1:Amount 2:10 5:Amount 6:30\n"
       "\n"},
      {"horizontal, columns filled", ldHorizontal, 4, 2, 8, 9,
       "\n1:Name 2:Person 0 5:Name 6:Person 2\n1:City 2:Town 0 5:City 6:Town 2\n1:Amount 2:0 5:Amount 6:20\n\n"
       "1:Name 2:Person 1 5:Name 6:Person 3\n1:City 2:Town 1 5:City 6:Town 3\n1:Amount 2:10 5:Amount 6:30\n\n"},
      {"vertical, 4 cards of 3 per row", ldVertical, 4, 3, 10, 10,
       "\n"
       "1:Name 2:Person 0 4:Name 5:Person 1 7:Name 8:Person 2\n"
       "1:City 2:Town 0 4:City 5:Town 1 7:City 8:Town 2\n"
       "1:Amount 2:0 4:Amount 5:10 7:Amount 8:20\n"
       "\n\n"
       "1:Name 2:Person 3\n1:City 2:Town 3\n1:Amount 2:30\n"
       "\n"},
      {"vertical, one full row", ldVertical, 3, 3, 10, 5,
       "\n1:Name 2:Person 0 4:Name 5:Person 1 7:Name 8:Person 2\n1:City 2:Town 0 4:City 5:Town 1 7:City 8:Town 2\n"
       "1:Amount 2:0 4:Amount 5:10 7:Amount 8:20\n\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NewForm();
    Cards(c.records, c.direction);
    FitLayout(c.perLayout);
    TcxRecordingExportProvider* r = Record();
    EXPECT_TRUE(r->Logged("SetRange " + IntToStr(c.cols) + " " + IntToStr(c.rows) + " 0"));
    EXPECT_EQ(r->Sheet(), c.sheet);
    // Margins and separators are 10 wide; caption and value columns share the card's width.
    Integer caption = DefaultCaptionWidth(), value = 200 - 2 * 2 - caption;
    std::vector<Integer> widths;
    for (Integer col = 0; col < c.cols; ++col) {
      Integer inBlock = (col - 1) % (c.direction == ldHorizontal ? 4 : 3);
      widths.push_back(col == 0 || col == c.cols - 1 ? 10 : inBlock == 0 ? caption : inBlock == 1 ? value : 10);
    }
    EXPECT_EQ(ColumnWidths(r), widths);
    // Separators: halves of the separator width (2) on both sides of the line between cards.
    if (c.direction == ldHorizontal) {
      for (Integer row = 1; row <= c.rows - 2; ++row) {
        EXPECT_EQ(Frame(r, 3, row), "0010") << row;
        EXPECT_EQ(Frame(r, 4, row), "1000") << row;
      }
      EXPECT_EQ(Frame(r, 3, 0), "0000");
      EXPECT_EQ(Frame(r, 3, c.rows - 1), "0000");
      EXPECT_EQ(r->GetCellStyle(3, 1)->Borders[2].Color, ExportColor(cards_->GetOptionsView()->GetSeparatorColor()));
    } else {
      bool twoRows = c.records > c.perLayout;
      for (Integer col = 1; col <= c.cols - 2; ++col) {
        EXPECT_EQ(Frame(r, col, 4), twoRows ? "0001" : "0000") << col;
        if (twoRows) {
          EXPECT_EQ(Frame(r, col, 5), "0100") << col;
        }
      }
      EXPECT_EQ(Frame(r, 0, 4), "0000");
    }
    ExpectTextWriterWritesTheSameCells(r);
  }
}

// The map classes on their own: row counts per entry, a card ignored at a negative place, and
// the map of an unknown direction placing nothing.
TEST_F(cxExportGridCardChart, MapEntriesAndTheBaseMap) {
  Cards(3, ldHorizontal);
  cards_->GetRow(1)->SetVisible(false);
  TcxGridHorizontalCardViewExportMap map;
  map.Initialize(cards_, true, nullptr);
  ASSERT_EQ(map.Count(), 3);
  EXPECT_EQ(map.CardRowCount(0), 2);
  EXPECT_EQ(map.CardRowCount(3), 0);
  EXPECT_EQ(map.CardRowCount(-1), 0);
  map.AddCard(-1, 0, cards_->GetViewData()->GetCard(0));
  map.AddCard(1, 1, nullptr);
  EXPECT_EQ(map.Count(), 3);
  TcxGridCardViewExportMap none;
  none.Initialize(cards_, true, nullptr);
  EXPECT_EQ(none.Count(), 0);
  EXPECT_EQ(none.ColCount(), -1);
  EXPECT_EQ(none.RowCount(), -1);
}

// Save-all False: only the selected cards, packed from the first place; nothing selected writes
// no sheet in either layout (the vertical map has no boundary to drop), but commits.
TEST_F(cxExportGridCardChart, SelectedCardsOnly) {
  for (TcxGridCardViewLayoutDirection direction : {ldHorizontal, ldVertical}) {
    SCOPED_TRACE(direction);
    NewForm();
    Cards(5, direction);
    cards_->TableOptionsSelection()->SetMultiSelect(true);
    FitLayout(2);
    TcxCustomDataController* dc = cards_->DataController();
    dc->ClearSelection();
    dc->ChangeRowSelection(1, true);
    dc->ChangeRowSelection(3, true);
    TcxRecordingExportProvider* r = Record(false);
    EXPECT_EQ(r->CellText(2, 1), "Person 1");
    EXPECT_EQ(direction == ldHorizontal ? r->CellText(2, 5) : r->CellText(5, 1), "Person 3");
    EXPECT_EQ(r->Sheet().find("Person 0"), String::npos);
    EXPECT_EQ(r->Sheet().find("Person 2"), String::npos);
    ExpectTextWriterWritesTheSameCells(r, false);
    dc->ClearSelection();
    r = Record(false);
    EXPECT_FALSE(r->RangeSet());
    EXPECT_EQ(r->CommitCount(), 1);
  }
}

// Captions: a row without its caption writes its value in the caption column (values pass the
// row's OnGetDisplayText); a caption width
// of 80 gives caption columns of exactly 80; a caption width beyond the card leaves the value
// column 0 wide instead of failing with a negative width.
TEST_F(cxExportGridCardChart, CaptionsAndCaptionWidths) {
  Cards(2, ldHorizontal);
  FitLayout(2);
  cards_->GetRow(1)->SetShowCaption(false);
  cards_->GetRow(2)->OnGetDisplayText = [](TcxCustomGridTableItem*, TcxCustomGridRecord*, String& text) {
    text += " pts";
  };
  TcxRecordingExportProvider* r = Record();
  EXPECT_EQ(r->CellText(1, 2), "Town 0");
  EXPECT_EQ(r->CellText(2, 3), "0 pts");
  EXPECT_EQ(r->CellText(2, 2), "");
  EXPECT_EQ(r->CellText(1, 1), "Name");
  EXPECT_EQ(r->GetColumnWidth(1), DefaultCaptionWidth());
  struct Case {
    Integer captionWidth, caption, value;
  };
  for (const Case& c : {Case{80, 80, 196 - 80}, Case{196, 196, 0}, Case{500, 500, 0}}) {
    cards_->GetOptionsView()->SetCaptionWidth(c.captionWidth);
    Relayout();
    r = Record();
    EXPECT_EQ(r->GetColumnWidth(1), c.caption) << c.captionWidth;
    EXPECT_EQ(r->GetColumnWidth(2), c.value) << c.captionWidth;
  }
}

// Card borders: the card's border colour and width on the outer sides of its cells, above its
// first and below its last row (both on a one-row card); a colour converting to -1 gives none.
TEST_F(cxExportGridCardChart, CardBorders) {
  Cards(2, ldHorizontal);
  FitLayout(2);
  auto* repository = new TcxStyleRepository(form_);
  auto* green = new TcxStyle(repository);
  green->SetColor(0x00C000);
  cards_->GetStyles()->SetCardBorder(green);
  cards_->GetOptionsView()->SetCardBorderWidth(3);
  Relayout();
  TcxRecordingExportProvider* r = Record();
  EXPECT_EQ(Frame(r, 1, 1), "3300");
  EXPECT_EQ(Frame(r, 2, 1), "0330");
  EXPECT_EQ(Frame(r, 1, 2), "3000");
  EXPECT_EQ(Frame(r, 2, 2), "0030");
  EXPECT_EQ(Frame(r, 1, 3), "3003");
  EXPECT_EQ(Frame(r, 2, 3), "0033");
  EXPECT_EQ(r->GetCellStyle(1, 1)->Borders[0].Color, ExportColor(0x00C000));
  // The card width less both borders is shared by the two columns.
  EXPECT_EQ(r->GetColumnWidth(1) + r->GetColumnWidth(2), 200 - 2 * 3);
  // A one-row card.
  cards_->GetRow(1)->SetVisible(false);
  cards_->GetRow(2)->SetVisible(false);
  Relayout();
  r = Record();
  EXPECT_EQ(Frame(r, 1, 1), "3303");
  EXPECT_EQ(Frame(r, 2, 1), "0333");
  // A colour whose conversion gives -1: no border at all.
  cxExportInit(&LoadReplaceableResString,
               [](Integer color) { return color == 0x00C000 ? -1 : Integer(ColorToRGB(TColor(color))); }, true);
  r = Record();
  cxExportInit(&LoadReplaceableResString, [](Integer color) { return Integer(ColorToRGB(TColor(color))); }, true);
  EXPECT_EQ(Frame(r, 1, 1), "0000");
  EXPECT_EQ(Frame(r, 2, 1), "0000");
  EXPECT_EQ(r->CellText(1, 1), "Name");
}

// Cell styles: row captions in the row-caption style aligned like the caption, values in the
// content style, a caption row in the caption-row style on both sides.
TEST_F(cxExportGridCardChart, CaptionValueAndCaptionRowStyles) {
  Cards(1, ldHorizontal);
  cards_->GetRow(0)->SetKind(rkCaption);
  cards_->GetRow(1)->SetHeaderAlignmentHorz(taRightJustify);
  Relayout();
  TcxRecordingExportProvider* r = Record();
  TcxGridCardViewStyles* styles = cards_->GetStyles();
  TcxCustomGridRecord* card = cards_->GetViewData()->GetCard(0);
  TcxStyleParams captionRow, caption, content;
  styles->GetCaptionRowParams(card, cards_->GetRow(0), captionRow);
  styles->GetRowCaptionParams(card, cards_->GetRow(1), caption);
  styles->GetContentParams(card, cards_->GetRow(1), content);
  EXPECT_EQ(r->GetCellStyle(1, 1)->BrushBkColor, ExportColor(captionRow.Color));
  EXPECT_EQ(r->GetCellStyle(2, 1)->BrushBkColor, ExportColor(captionRow.Color));
  EXPECT_EQ(r->GetCellStyle(1, 2)->BrushBkColor, ExportColor(caption.Color));
  EXPECT_EQ(r->GetCellStyle(1, 2)->AlignText, catRight);
  EXPECT_EQ(r->GetCellStyle(1, 3)->AlignText, catLeft);
  EXPECT_EQ(r->GetCellStyle(2, 2)->BrushBkColor, ExportColor(content.Color));
  EXPECT_EQ(r->GetCellStyle(2, 2)->FontColor, ExportColor(content.TextColor));
  // Margins and the rest of the sheet take the view's background without borders.
  TcxStyleParams background;
  styles->GetBackgroundParams(background);
  EXPECT_EQ(r->GetCellStyle(0, 0)->BrushBkColor, ExportColor(background.Color));
  EXPECT_EQ(Frame(r, 0, 0), "0000");
}

// A row's own style events give one card's value and caption other styles; the other card
// keeps the view's.
TEST_F(cxExportGridCardChart, RowStyleEventsGiveOneCardItsStyles) {
  Cards(2, ldHorizontal);
  auto* repository = new TcxStyleRepository(form_);
  auto* red = new TcxStyle(repository);
  red->SetColor(0x0000C0);
  auto* green = new TcxStyle(repository);
  green->SetColor(0x00C000);
  TcxGridCardViewRowStyles* city = cards_->GetRow(1)->GetStyles();
  city->OnGetContentStyle = [&](TcxCustomGridTableView*, TcxCustomGridRecord* rec, TcxCustomGridTableItem*,
                                TcxStyle*& style) {
    if (rec->Index() == 1) style = red;
  };
  city->OnGetCaptionStyle = [&](TcxCustomGridTableView*, TcxCustomGridRecord* rec, TcxCustomGridTableItem*,
                                TcxStyle*& style) {
    if (rec->Index() == 1) style = green;
  };
  Relayout();
  TcxRecordingExportProvider* r = Record();
  // The value cell of "Town i" and its caption cell to the left.
  auto find = [&](const String& text) {
    for (Integer row = 0; row < r->GetRowCount(); ++row)
      for (Integer col = 1; col < r->GetColumnCount(); ++col)
        if (r->CellText(col, row) == text) return std::pair<Integer, Integer>(col, row);
    ADD_FAILURE() << text;
    return std::pair<Integer, Integer>(1, 0);
  };
  auto [col0, row0] = find("Town 0");
  auto [col1, row1] = find("Town 1");
  EXPECT_EQ(r->GetCellStyle(col1, row1)->BrushBkColor, ExportColor(0x0000C0));
  EXPECT_EQ(r->GetCellStyle(col1 - 1, row1)->BrushBkColor, ExportColor(0x00C000));
  EXPECT_NE(r->GetCellStyle(col0, row0)->BrushBkColor, ExportColor(0x0000C0));
  EXPECT_NE(r->GetCellStyle(col0 - 1, row0)->BrushBkColor, ExportColor(0x00C000));
}

// Bad input: views with nothing to place write no sheet and still commit (no cards, no visible
// rows, collapsed cards without caption rows); views never laid out are exported without a
// screen layout (all cards in one column or row, the chart at its default size).
TEST_F(cxExportGridCardChart, ViewsWithNothingToPlaceOrNeverShown) {
  Cards(0, ldVertical);
  TcxRecordingExportProvider* r = Record();
  EXPECT_FALSE(r->RangeSet());
  EXPECT_EQ(r->CommitCount(), 1);
  NewForm();
  Cards(3, ldHorizontal);
  for (Integer i = 0; i < 3; ++i) cards_->GetRow(i)->SetVisible(false);
  Relayout();
  r = Record();
  EXPECT_EQ(r->Sheet().find("Person"), String::npos);
  EXPECT_EQ(r->CommitCount(), 1);
  cards_->GetRow(0)->SetVisible(true);
  cards_->GetOptionsCustomize()->SetCardExpanding(true);
  for (Integer i = 0; i < 3; ++i) cards_->GetViewData()->GetCard(i)->CollapseRecord(false);
  Relayout();
  r = Record();
  EXPECT_EQ(r->Sheet().find("Person"), String::npos);
  EXPECT_EQ(r->CommitCount(), 1);
  for (TcxGridCardViewLayoutDirection direction : {ldHorizontal, ldVertical}) {
    NewForm();
    auto* view = static_cast<TcxGridCardView*>(grid_->CreateView(TcxGridCardView::StaticClass()));
    grid_->Levels()->Add()->SetGridView(view);
    view->SetLayoutDirection(direction);
    view->CreateRow()->SetCaption("Name");
    view->DataController()->SetRecordCount(2);
    view->DataController()->SetValue(1, 0, Variant("Second"));
    r = Record();
    EXPECT_EQ(r->CellText(1, 1), "Name") << direction;
    EXPECT_EQ(direction == ldHorizontal ? r->CellText(2, 3) : r->CellText(5, 1), "Second") << direction;
  }
  NewForm();
  auto* chart = static_cast<TcxGridChartView*>(grid_->CreateView(TcxGridChartView::StaticClass()));
  grid_->Levels()->Add()->SetGridView(chart);
  TcxRecordingExportProvider::ClearCreated();
  ExportGridToFile("chart.txt", cxExportToRecorder, grid_, true, true, false, "", "", "", "");
  EXPECT_TRUE(TcxRecordingExportProvider::Created().back()->Logged(
      "SetCellGraphic 0 0 TBitmap " + IntToStr(chart->GetDefaultWidth(0)) + "x" + IntToStr(chart->GetDefaultHeight(0))));
}

// The route of a card or chart detail: the card view laid out apart from the first card in the
// bounds (CreateCardDetailViewInfo) places its cards by that layout; the chart gets no layout
// and is exported without one; both fill their caches without committing.
TEST_F(cxExportGridCardChart, DetailExportersFillTheirCachesWithoutCommitting) {
  Cards(6, ldVertical);
  FitLayout(3);
  TcxGridTableViewExport master("m.txt", cxExportToRecorder, cards_, grid_, nullptr);
  std::unique_ptr<TcxCustomGridTableViewInfo> info(master.CreateCardDetailViewInfo(cards_, TRect(0, 0, 440, 400)));
  ASSERT_TRUE(info);
  auto* layout = dynamic_cast<TcxGridCardViewViewInfo*>(info.get());
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->GetCardsViewInfo()->GetColumnCount(), 2);
  TcxRecordingExportProvider::ClearCreated();
  std::unique_ptr<TcxGridCustomExport> detail = CreateGridViewExport(cards_, "m.txt", cxExportToRecorder, grid_,
                                                                      info.get());
  ASSERT_TRUE(dynamic_cast<TcxGridCardViewExport*>(detail.get()));
  detail->ExportContent();
  TcxRecordingExportProvider* r = TcxRecordingExportProvider::Created().back().get();
  EXPECT_EQ(r->CommitCount(), 0);
  EXPECT_TRUE(r->Logged("SetRange 7 15 0"));
  EXPECT_EQ(r->CellText(5, 1), "Person 1");
  EXPECT_EQ(r->CellText(2, 6), "Person 2");
  // The layout goes before its view.
  detail.reset();
  info.reset();
  NewForm();
  Chart(1, 2);
  EXPECT_EQ(master.CreateDetailViewInfo(chart_, TRect(0, 0, 400, 300)), nullptr);
  TcxRecordingExportProvider::ClearCreated();
  detail = CreateGridViewExport(chart_, "m.txt", cxExportToRecorder, grid_, nullptr);
  ASSERT_TRUE(dynamic_cast<TcxGridChartViewExport*>(detail.get()));
  detail->ExportContent();
  r = TcxRecordingExportProvider::Created().back().get();
  EXPECT_EQ(r->CommitCount(), 0);
  EXPECT_TRUE(r->Logged("SetRange 1 1 0"));
}

// ---- charts ----------------------------------------------------------------------------------

// A provider with pictures gets one cell with the chart drawn at the view's default size; one
// without gets "Category" and a column per visible series over one row per data row.
TEST_F(cxExportGridCardChart, PictureOrTableWithAndWithoutSeries) {
  struct Case {
    const char* what;
    Integer series, rows;
    bool pictures;
    const char* sheet;
  };
  const Case cases[] = {
      {"picture", 3, 10, true, "\n"},
      {"picture without series", 0, 2, true, "\n"},
      {"table", 2, 3, false,
       "0:Category 1:Sales 2024 2:Sales 2025\n0:Month 1 1:0.5 2:1.5\n0:Month 2 1:10.5 2:11.5\n"
       "0:Month 3 1:20.5 2:21.5\n"},
      {"table without series", 0, 2, false, "0:Category\n0:Month 1\n0:Month 2\n"},
      {"table without rows", 1, 0, false, "0:Category 1:Sales 2024\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NewForm();
    Chart(c.series, c.rows);
    TcxRecordingExportProvider* r = RecordChart(c.pictures);
    EXPECT_EQ(r->Sheet(), c.sheet);
    if (c.pictures) {
      EXPECT_TRUE(r->Logged("SetRange 1 1 0"));
      Integer w = chart_->GetDefaultWidth(0), h = chart_->GetDefaultHeight(0);
      EXPECT_TRUE(r->Logged("SetCellGraphic 0 0 TBitmap " + IntToStr(w) + "x" + IntToStr(h)));
    } else {
      EXPECT_TRUE(r->Logged("SetRange " + IntToStr(c.series + 1) + " " + IntToStr(c.rows + 1) + " 0"));
      // Headings and categories on the button face, values framed in black.
      const TcxCacheCellStyle* heading = r->GetCellStyle(0, 0);
      EXPECT_EQ(heading->BrushBkColor, ExportColor(clBtnFace));
      if (c.rows > 0) {
        EXPECT_EQ(r->GetCellStyle(0, 1)->BrushBkColor, ExportColor(clBtnFace));
      }
      if (c.series > 0 && c.rows > 0) {
        const TcxCacheCellStyle* value = r->GetCellStyle(1, 1);
        EXPECT_EQ(value->BrushBkColor, DefaultCellStyle().BrushBkColor);
        for (const TcxCellBorders& border : value->Borders) EXPECT_EQ(border.Color, 0);
        EXPECT_TRUE(r->Logged("SetCellValue 1 1 type " + IntToStr(varDouble)));
      }
      // The text writer writes the same table.
      TTempFolder dir;
      ExportGridToFile(dir.File("chart.txt"), cxExportToText, grid_, true, true, false, "|", "", "", "");
      EXPECT_EQ(ReadWholeFile(dir.File("chart.txt")), TextLines(r));
    }
  }
}

// A hidden series is left out of the table; a metafile export class draws a metafile, another
// class a bitmap.
TEST_F(cxExportGridCardChart, HiddenSeriesAndThePictureClass) {
  Chart(3, 11);
  chart_->GetSeries(1)->SetVisible(false);
  Pump();
  TcxRecordingExportProvider* r = RecordChart(false);
  EXPECT_TRUE(r->Logged("SetRange 3 12 0"));
  EXPECT_EQ(r->CellText(2, 0), "Sales 2026");
  EXPECT_EQ(r->CellText(2, 11), "102.5");
  struct Case {
    TGraphicClass cls;
    const char* logged;
  };
  for (const Case& c : {Case{TMetafile::StaticClass(), "TMetafile"}, Case{TIcon::StaticClass(), "TBitmap"}}) {
    SetExportGraphicClass(c.cls);
    r = RecordChart(true);
    SetExportGraphicClass(TBitmap::StaticClass());
    EXPECT_TRUE(std::any_of(r->Log().begin(), r->Log().end(), [&](const String& line) {
      return line.rfind("SetCellGraphic 0 0 " + String(c.logged) + " ", 0) == 0;
    })) << c.logged;
  }
}

// Every writer takes both views: cards in both layouts and a chart (a picture where the writer
// holds pictures) give their files; the XML packets are well formed.
TEST_F(cxExportGridCardChart, EveryWriterTakesBothViews) {
  struct Case {
    Integer type;
    const char* ext;
  };
  const Case writers[] = {{cxExportToExcel, "xls"}, {cxExportToHtml, "html"}, {cxExportToXml, "xml"},
                          {cxExportToText, "txt"}};
  for (Integer view = 0; view < 3; ++view) {
    NewForm();
    if (view < 2)
      Cards(7, view == 0 ? ldHorizontal : ldVertical);
    else
      Chart(2, 4);
    for (const Case& w : writers) {
      SCOPED_TRACE(String(w.ext) + " " + IntToStr(view));
      TTempFolder dir;
      String file = dir.File("view." + String(w.ext));
      ExportGridToFile(file, w.type, grid_, true, true, false, "", "", "", "");
      ASSERT_TRUE(std::filesystem::exists(file));
      EXPECT_GT(std::filesystem::file_size(file), 0u);
      if (w.type == cxExportToXml && HaveCommand("xmllint")) {
        EXPECT_EQ(CommandOutput("xmllint --noout '" + file + "' 2>&1 && echo ok"), "ok\n");
      }
    }
  }
}

// ---- HTML pages --------------------------------------------------------------------------------

// The page of each view, read back by html5lib: the card texts in their places in both layouts
// (grey background, dark blue card borders), the chart as one picture file beside the page. The
// pages stay in <build>/sheets/export for a look.
TEST_F(cxExportGridCardChart, PagesOfBothViewsReadByAnIndependentParser) {
  String folder = testing_support::SheetPath("export");
  std::filesystem::create_directories(folder);
  TTempFolder dir;
  struct Case {
    TcxGridCardViewLayoutDirection direction;
    const char* page;
    const char* rows;
  };
  for (const Case& c : {Case{ldHorizontal, "cards_horizontal.html",
                             "Name Person 0 Name Person 2\nCity Town 0 City Town 2\nAmount 0 Amount 20\n"
                             "Name Person 1\nCity Town 1\nAmount 10\n"},
                        Case{ldVertical, "cards_vertical.html",
                             "Name Person 0 Name Person 1\nCity Town 0 City Town 1\nAmount 0 Amount 10\n"
                             "Name Person 2\nCity Town 2\nAmount 20\n"}}) {
    NewForm();
    Cards(3, c.direction);
    FitLayout(2);
    // A grey background and dark blue card borders, to see the cards on the page.
    auto* repository = new TcxStyleRepository(form_);
    auto* background = new TcxStyle(repository);
    background->SetColor(0xE0E0E0);
    auto* border = new TcxStyle(repository);
    border->SetColor(0x800000);
    cards_->GetStyles()->SetBackground(background);
    cards_->GetStyles()->SetCardBorder(border);
    ExportGridToHtml(folder + "/" + c.page, grid_, true, true, "");
    EXPECT_EQ(ReadHtmlTableRows(dir, folder + "/" + c.page), c.rows) << c.page;
  }
  NewForm();
  Chart(1, 3);
  ExportGridToHtml(folder + "/chart.html", grid_, true, true, "");
  EXPECT_EQ(ReadHtmlTableRows(dir, folder + "/chart.html"), "[chart.images/chart_0.bmp]\n");
  EXPECT_TRUE(std::filesystem::exists(folder + "/chart.images/chart_0.bmp"));
}

}  // namespace
