// The grid export link: the column map, a grouped data-set table view laid out headless and
// exported through the recording provider and the HTML writer, and the link's errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <filesystem>
#include <functional>

#include "ExportTestSupport.h"
#include "editors-extra/cxCalc.h"
#include "editors-extra/cxCalendar.h"
#include "editors-extra/cxCurrencyEdit.h"
#include "editors-extra/cxSpinEdit.h"
#include "editors-extra/cxTimeEdit.h"
#include "export/cxExportGrid4Link.h"
#include "gridviews/cxGridRows.h"
#include "tests/gridviews/TableViewTestSupport.h"
#include "tests/support/export/ExportRecorder.h"

namespace {

std::vector<Integer> Widths(const TcxGridExportTableMap& map) {
  std::vector<Integer> out;
  for (Integer i = 0; i < map.ColumnCount(); ++i) out.push_back(map.ColumnWidths(i));
  return out;
}

TEST(cxGridExportTableMap, AddBoundarySplitsKeepsOrAppends) {
  struct Case {
    Integer pos;
    std::vector<Integer> widths;
  };
  for (const Case& c : {Case{120, {100, 20, 30}}, Case{100, {100, 50}}, Case{200, {100, 50, 50}},
                        Case{150, {100, 50}}, Case{-5, {100, 50}}, Case{30, {30, 70, 50}}}) {
    TcxGridExportTableMap map;
    map.AddBoundary(100);
    map.AddBoundary(150);
    map.AddBoundary(c.pos);
    EXPECT_EQ(Widths(map), c.widths) << c.pos;
  }
}

TEST(cxGridExportTableMap, ColumnIndexAt) {
  TcxGridExportTableMap map;
  for (Integer b : {16, 32, 100}) map.AddBoundary(b);
  ASSERT_EQ(Widths(map), (std::vector<Integer>{16, 16, 68}));
  for (auto [pos, index] : std::vector<std::pair<Integer, Integer>>{{-3, 0}, {0, 0}, {16, 1}, {20, 2}, {32, 2},
                                                                     {500, 2}})
    EXPECT_EQ(map.ColumnIndexAt(pos), index) << pos;
}

// The editors whose columns are written as typed values in native format: date, currency,
// spin, calc and time, with their descendants; any other editor's column is written as text.
TEST(cxGridCustomExport, NativeValuePropertiesByClass) {
  class TcxAccountEditProperties : public TcxCurrencyEditProperties {
   public:
    using TcxCurrencyEditProperties::TcxCurrencyEditProperties;
  };
  struct Case {
    const char* what;
    std::unique_ptr<TcxCustomEditProperties> properties;
    bool native;
  };
  Case cases[] = {
      {"date", std::make_unique<TcxDateEditProperties>(nullptr), true},
      {"currency", std::make_unique<TcxCurrencyEditProperties>(nullptr), true},
      {"spin", std::make_unique<TcxSpinEditProperties>(nullptr), true},
      {"calc", std::make_unique<TcxCalcEditProperties>(nullptr), true},
      {"time", std::make_unique<TcxTimeEditProperties>(nullptr), true},
      {"a currency descendant", std::make_unique<TcxAccountEditProperties>(nullptr), true},
      {"text", std::make_unique<TcxTextEditProperties>(nullptr), false},
      {"none", nullptr, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TcxGridCustomExport::IsNativeValueProperties(c.properties.get()), c.native) << c.what;
}

bool Logged(const TcxRecordingExportProvider* r, const String& line) { return r->Logged(line); }

String Sheet(const TcxRecordingExportProvider* r) { return r->Sheet(); }

class cxExportGrid4Link : public gridviewstest::GridFormFixture {
 protected:
  void TearDown() override {
    TcxRecordingExportProvider::ClearCreated();
    GridFormFixture::TearDown();
  }
  // A view grouped by country over six cities, header widths 100, 80, 60.
  TcxGridDBTableView* GroupedView(Integer groups) {
    TcxGridDBTableView* v = AddView();
    Bind(v, {{Variant("Norway"), Variant("Oslo"), Variant(10)},
             {Variant("Japan"), Variant("Tokyo"), Variant(20)},
             {Variant("Norway"), Variant("Bergen"), Variant(30)},
             {Variant("Japan"), Variant("Osaka"), Variant(40)},
             {Variant("Peru"), Variant("Lima"), Variant(50)},
             {Variant("Japan"), Variant("Kyoto"), Variant(60)}});
    v->GetOptionsView()->SetColumnAutoWidth(false);
    form_->SetBounds(100, 100, 700, 500);
    grid_->SetBounds(10, 10, 600, 400);
    ShowWithColumnWidth(v, 100);
    v->GetColumn(1)->SetWidth(80);
    v->GetColumn(2)->SetWidth(60);
    for (Integer g = 0; g < groups; ++g) v->GetColumn(g)->SetGroupIndex(g);
    Relayout(v);
    return v;
  }
  // A master view of countries (Japan, Peru; columns 100 wide) over a detail level of their
  // cities (Osaka and Kyoto, Cusco; columns 70 wide), laid out with both master rows expanded.
  TcxGridDBTableView* MasterDetail() {
    TcxGridLevel* level = nullptr;
    TcxGridDBTableView* master = AddView("master", &level);
    countries_.AddFieldDef("Country", ftString, 20);
    countries_.AddFieldDef("Capital", ftString, 20);
    countries_.AppendRow({Variant("Japan"), Variant("Tokyo")});
    countries_.AppendRow({Variant("Peru"), Variant("Lima")});
    countries_.Open();
    countrySource_.SetDataSet(&countries_);
    master->GetDataController()->SetDataSource(&countrySource_);
    master->GetDataController()->CreateAllItems();
    master->GetDataController()->SetKeyFieldNames("Country");
    auto* detail = static_cast<TcxGridDBTableView*>(grid_->CreateView(TcxGridDBTableView::StaticClass()));
    detail->SetName("detail");
    level->Add()->SetGridView(detail);
    Bind(detail, {{Variant("Japan"), Variant("Osaka"), Variant(40)},
                  {Variant("Japan"), Variant("Kyoto"), Variant(60)},
                  {Variant("Peru"), Variant("Cusco"), Variant(5)}});
    detail->GetDataController()->SetDetailKeyFieldNames("Country");
    detail->GetDataController()->SetMasterKeyFieldNames("Country");
    ShowWithColumnWidth(master, 100);
    for (Integer i = 0; i < detail->GetColumnCount(); ++i) detail->GetColumn(i)->SetWidth(70);
    Relayout(master);
    return master;
  }
  TMemDataSet countries_{nullptr};
  TDataSource countrySource_{nullptr};
  TcxRecordingExportProvider* Record(bool saveAll = true) {
    TcxRecordingExportProvider::Register();
    TcxRecordingExportProvider::ClearCreated();
    ExportGridToFile("grid.txt", cxExportToRecorder, grid_, true, saveAll, false, "", "", "", "");
    EXPECT_EQ(TcxRecordingExportProvider::Created().size(), 1u);
    return TcxRecordingExportProvider::Created().back().get();
  }
};

// Two grouping levels: indents of 16 split the first header cell; group rows carry their sign
// and their text across the rest of the row; data cells start after the indents.
TEST_F(cxExportGrid4Link, TwoGroupingLevelsMapColumnsSignsAndTexts) {
  TcxGridDBTableView* v = GroupedView(2);
  TRect first = v->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(0)->Bounds;
  TcxRecordingExportProvider* r = Record();
  // Two indents of 16 split the first header: columns 16, 16, the rest, then one per header.
  ASSERT_EQ(r->GetColumnCount(), 5);
  EXPECT_TRUE(Logged(r, "SetColumnWidth 1 16"));
  EXPECT_EQ(r->GetColumnWidth(2), first.Right - first.Left - 32);
  EXPECT_EQ(r->CellText(0, 0), "Country");
  EXPECT_TRUE(Logged(r, "SetCellUnion 0 0 1 3"));
  EXPECT_EQ(r->CellText(3, 0), "City");
  // Japan group: sign in column 0 (width then 17), text from column 1 across four columns.
  EXPECT_EQ(r->CellText(0, 1), "-");
  EXPECT_EQ(r->GetColumnWidth(0), 17);
  EXPECT_EQ(r->CellText(1, 1), "Country : Japan");
  EXPECT_TRUE(Logged(r, "SetCellUnion 1 1 1 4"));
  // Kyoto group (level 1): indent, sign in column 1, text from column 2.
  EXPECT_EQ(r->CellText(1, 2), "-");
  EXPECT_EQ(r->CellText(2, 2), "City : Kyoto");
  // Its data row starts at column 2.
  EXPECT_EQ(r->CellText(2, 3), "Japan");
  EXPECT_EQ(r->CellText(3, 3), "Kyoto");
  EXPECT_EQ(r->CellText(4, 3), "60");
  EXPECT_EQ(r->GetRowCount(), 1 + 3 + 6 + 6);
  EXPECT_EQ(r->CommitCount(), 1);
}

TEST_F(cxExportGrid4Link, GridLinesDecideDataBordersAndTheBottomFrame) {
  TcxGridDBTableView* v = GroupedView(0);
  for (TcxGridLines lines : {glBoth, glNone, glHorizontal, glVertical}) {
    v->GetOptionsView()->SetGridLines(lines);
    Relayout(v);
    TcxRecordingExportProvider* r = Record();
    bool horz = lines == glBoth || lines == glHorizontal, vert = lines == glBoth || lines == glVertical;
    const TcxCacheCellStyle* data = r->GetCellStyle(1, 1);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->Borders[0].Width, vert ? 1 : 0) << lines;
    EXPECT_EQ(data->Borders[1].Width, horz ? 1 : 0) << lines;
    // Header cells keep their frame; the last row is closed at the bottom.
    EXPECT_EQ(r->GetCellStyle(1, 0)->Borders[0].Width, 1) << lines;
    EXPECT_EQ(r->GetCellStyle(1, r->GetRowCount() - 1)->Borders[3].Width, 1) << lines;
    // The last column gets its right border with vertical lines.
    EXPECT_EQ(r->GetCellStyle(2, 2)->Borders[2].Width, vert ? 1 : 0) << lines;
  }
}

// Expand: collapsed groups are expanded for the export and stay expanded afterwards; without
// it the collapsed rows are written with their "+" sign only.
TEST_F(cxExportGrid4Link, ExpandExpandsTheGroupsAndLeavesThemExpanded) {
  TcxGridDBTableView* v = GroupedView(1);
  TcxGridViewData* data = v->GetViewData();
  data->CollapseAll(true);
  ASSERT_EQ(data->GetRowCount(), 3);
  TcxRecordingExportProvider::Register();
  TcxRecordingExportProvider::ClearCreated();
  ExportGridToFile("grid.txt", cxExportToRecorder, grid_, false, true, false, "", "", "", "");
  TcxRecordingExportProvider* r = TcxRecordingExportProvider::Created().back().get();
  EXPECT_EQ(r->GetRowCount(), 1 + 3);
  EXPECT_EQ(r->CellText(0, 1), "+");
  r = Record();
  EXPECT_EQ(r->GetRowCount(), 1 + 3 + 6);
  EXPECT_EQ(r->CellText(0, 1), "-");
  EXPECT_EQ(data->GetRowCount(), 9);
}

// Save-all False: the selected data row comes with its parent group row only.
TEST_F(cxExportGrid4Link, SelectedRowsComeWithTheirGroupRows) {
  TcxGridDBTableView* v = GroupedView(1);
  v->TableOptionsSelection()->SetMultiSelect(true);
  TcxGridViewData* data = v->GetViewData();
  data->ExpandAll(true);
  // Rows: Japan, 3 cities, Norway, 2 cities, Peru, Lima. Select Bergen (row 5 or 6).
  Integer target = -1;
  for (Integer i = 0; i < data->GetRowCount(); ++i)
    if (data->GetRow(i)->IsDataRecord() && data->GetRow(i)->GetDisplayText(1) == "Bergen") target = i;
  ASSERT_GE(target, 0);
  v->DataController()->ClearSelection();
  v->DataController()->ChangeRowSelection(target, true);
  TcxRecordingExportProvider* r = Record(false);
  ASSERT_EQ(r->GetRowCount(), 3);
  EXPECT_EQ(r->CellText(1, 1), "Country : Norway");
  EXPECT_EQ(r->CellText(2, 2), "Bergen");
}

// A column's OnGetDisplayText changes its cells and, for the grouped column, the group rows,
// in the export as on the screen.
TEST_F(cxExportGrid4Link, OnGetDisplayTextChangesCellsAndGroupRows) {
  TcxGridDBTableView* v = GroupedView(1);
  v->GetViewData()->ExpandAll(true);
  auto mark = [](TcxCustomGridTableItem*, TcxCustomGridRecord* record, String& text) {
    text += record->IsDataRecord() ? " (city)" : " (group)";
  };
  v->GetColumn(0)->OnGetDisplayText = mark;
  v->GetColumn(1)->OnGetDisplayText = mark;
  Relayout(v);
  auto* rows = static_cast<TcxGridRowsViewInfo*>(v->GetViewInfo()->RecordsViewInfo());
  auto* group = dynamic_cast<TcxGridGroupRowViewInfo*>(rows->Items(0));
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->GroupCell()->GetText(), "Country : Japan (group)");
  TcxRecordingExportProvider* r = Record();
  EXPECT_EQ(r->CellText(1, 1), "Country : Japan (group)");
  EXPECT_EQ(r->CellText(2, 2), "Tokyo (city)");
}

// A record given its own content style by an event (the column's or the view's) or by the
// column's content style is written with that style, though cells of the same column and of
// the other records share a registered style.
TEST_F(cxExportGrid4Link, PerRecordContentStylesAreWritten) {
  TcxGridDBTableView* v = GroupedView(0);
  auto* repository = new TcxStyleRepository(form_);
  auto* red = new TcxStyle(repository);
  red->SetColor(0x0000C0);
  auto* green = new TcxStyle(repository);
  green->SetColor(0x00C000);
  // Rows: Oslo, Tokyo, Bergen, Osaka, Lima, Kyoto; column 1 is the city.
  auto tokyo = [&](TcxCustomGridTableView*, TcxCustomGridRecord* r, TcxCustomGridTableItem*, TcxStyle*& style) {
    if (r->GetDisplayText(1) == "Tokyo") style = red;
  };
  enum Way { columnEvent, viewEvent, columnStyle };
  for (Way way : {columnEvent, viewEvent, columnStyle}) {
    SCOPED_TRACE(way);
    v->GetColumn(1)->GetStyles()->OnGetContentStyle = nullptr;
    v->GetStyles()->OnGetContentStyle = nullptr;
    v->GetColumn(1)->GetStyles()->SetContent(nullptr);
    if (way == columnEvent) v->GetColumn(1)->GetStyles()->OnGetContentStyle = tokyo;
    if (way == viewEvent) v->GetStyles()->OnGetContentStyle = tokyo;
    if (way == columnStyle) {
      v->GetColumn(1)->GetStyles()->OnGetContentStyle = tokyo;
      v->GetColumn(1)->GetStyles()->SetContent(green);
    }
    TcxRecordingExportProvider* r = Record();
    ASSERT_EQ(r->CellText(1, 2), "Tokyo");
    EXPECT_EQ(r->GetCellStyle(1, 2)->BrushBkColor, ExportColor(0x0000C0));
    // Oslo and Bergen keep the column's (or the view's) style.
    Integer plain = way == columnStyle ? ExportColor(0x00C000) : r->GetCellStyle(0, 1)->BrushBkColor;
    EXPECT_EQ(r->GetCellStyle(1, 1)->BrushBkColor, plain);
    EXPECT_EQ(r->GetCellStyle(1, 3)->BrushBkColor, plain);
    EXPECT_NE(plain, ExportColor(0x0000C0));
    // The other column is not touched by a column's event.
    if (way != viewEvent) {
      EXPECT_EQ(r->GetCellStyle(0, 2)->BrushBkColor, r->GetCellStyle(0, 1)->BrushBkColor);
    }
  }
}

// Grid mode: the selected record is exported, not the row that had its grid-mode index, when
// the grid-mode window does not start at the first record and when the view is sorted (rows
// out of record order once every record is loaded); grid mode is back afterwards.
TEST_F(cxExportGrid4Link, GridModeSelectionExportsTheSelectedRecords) {
  struct Case {
    const char* what;
    Integer bufferCount, recNo;
    bool sorted;
    const char* city;
  };
  TcxGridDBTableView* v = GroupedView(0);
  v->TableOptionsSelection()->SetMultiSelect(true);
  TcxDBDataModeController* mode = v->GetDataController()->DataModeController();
  // Records: Oslo, Tokyo, Bergen, Osaka, Lima, Kyoto.
  for (const Case& c : {Case{"a window from the third record", 3, 5, false, "Lima"},
                        Case{"sorted by city, descending", 10, 1, true, "Bergen"}}) {
    SCOPED_TRACE(c.what);
    mode->SetGridMode(false);
    v->GetColumn(1)->SetSortOrder(c.sorted ? soDescending : soNone);
    mode->SetGridModeBufferCount(c.bufferCount);
    mode->SetGridMode(true);
    ds_.SetRecNo(c.recNo);
    Pump();
    TcxGridViewData* data = v->GetViewData();
    Integer target = -1;
    for (Integer i = 0; i < data->GetRowCount(); ++i)
      if (data->GetRow(i)->GetDisplayText(1) == c.city) target = i;
    ASSERT_GE(target, 0);
    v->DataController()->ClearSelection();
    v->DataController()->ChangeRowSelection(target, true);
    TcxRecordingExportProvider* r = Record(false);
    ASSERT_EQ(r->GetRowCount(), 2);
    EXPECT_EQ(r->CellText(1, 1), c.city);
    EXPECT_TRUE(mode->GridMode());
  }
}

// The page of a grouped view with group footers and the footer read back by html5lib:
// captions, group texts, values and sums in the view's order, with their spans.
TEST_F(cxExportGrid4Link, AnIndependentParserReadsThePage) {
  TcxGridDBTableView* v = GroupedView(1);
  v->GetColumn(2)->Summary()->SetFooterKind(skSum);
  v->GetColumn(2)->Summary()->SetGroupFooterKind(skSum);
  v->GetOptionsView()->SetFooter(true);
  v->GetOptionsView()->SetGroupFooters(gfAlwaysVisible);
  Relayout(v);
  TTempFolder dir;
  ExportGridToHtml(dir.File("grid.xls"), grid_, true, true, "html");
  String out = ReadHtmlTableRows(dir, dir.File("grid.html"));
  EXPECT_EQ(out,
            "Country/2 City Amount\n- Country : Japan/3\nJapan Tokyo 20\nJapan Osaka 40\nJapan Kyoto 60\n120.00\n"
            "- Country : Norway/3\nNorway Oslo 10\nNorway Bergen 30\n40.00\n- Country : Peru/3\nPeru Lima 50\n50.00\n"
            "210.00\n");
}

TEST_F(cxExportGrid4Link, BadInput) {
  TTempFolder dir;
  // A nil grid does nothing.
  ExportGridToHtml(dir.File("none.html"), nullptr, true, true, "");
  EXPECT_FALSE(std::filesystem::exists(dir.File("none.html")));
  // No level at all.
  auto message = [&](const String& file) -> String {
    try {
      ExportGridToHtml(file, grid_, true, true, "");
    } catch (const Exception& e) {
      return e.Message();
    }
    return "no error";
  };
  EXPECT_EQ(message(dir.File("a.html")), "Active grid level does not exist");
  // A level without a view.
  grid_->Levels()->Add();
  grid_->SetActiveLevel(grid_->Levels()->Items(0));
  EXPECT_EQ(message(dir.File("b.html")), "Grid view does not exist");
}

TEST_F(cxExportGrid4Link, AnUncreatableFileIsReported) {
  GroupedView(0);
  TTempFolder dir;
  try {
    ExportGridToHtml(dir.File("missing/c.html"), grid_, true, true, "");
    ADD_FAILURE() << "no error";
  } catch (const EcxGridExport& e) {
    EXPECT_EQ(e.Message(), "Can't create the export output file");
  }
  ExportGridToHtml(dir.File("d.xls"), grid_, true, true, "html");
  EXPECT_TRUE(std::filesystem::exists(dir.File("d.html")));
}

}  // namespace

namespace {

// View configurations of a view grouped by country (sums of Amount in the footers): each
// recorded sheet is compared whole, and the text writer writes the same cells.
TEST_F(cxExportGrid4Link, ViewConfigurationsWriteTheirSheets) {
  struct Case {
    const char* what;
    Integer groups;
    TcxGridGroupFootersMode footers;
    TcxGridGroupRowStyle rowStyle;
    bool footer, alwaysExpanded;
    const char* sheet;
  };
  const Case cases[] = {
      {"no grouping", 0, gfInvisible, grsStandard, false, false,
       "0:Country 1:City 2:Amount\n0:Norway 1:Oslo 2:10\n0:Japan 1:Tokyo 2:20\n0:Norway 1:Bergen 2:30\n"
       "0:Japan 1:Osaka 2:40\n0:Peru 1:Lima 2:50\n0:Japan 1:Kyoto 2:60\n"},
      {"footer, group footers always", 1, gfAlwaysVisible, grsStandard, true, false,
       "0:Country/2 2:City 3:Amount\n0:- 1:Country : Japan/3\n1:Japan 2:Tokyo 3:20\n"
       "1:Japan 2:Osaka 3:40\n1:Japan 2:Kyoto 3:60\n0:/2 3:120.00\n0:- 1:Country : Norway/3\n"
       "1:Norway 2:Oslo 3:10\n1:Norway 2:Bergen 3:30\n0:/2 3:40.00\n0:- 1:Country : Peru/3\n"
       "1:Peru 2:Lima 3:50\n0:/2 3:50.00\n0:/2 3:210.00\n"},
      {"group footers when expanded", 1, gfVisibleWhenExpanded, grsStandard, false, false,
       "0:Country/2 2:City 3:Amount\n0:- 1:Country : Japan/3\n1:Japan 2:Tokyo 3:20\n"
       "1:Japan 2:Osaka 3:40\n1:Japan 2:Kyoto 3:60\n3:120.00\n0:- 1:Country : Norway/3\n"
       "1:Norway 2:Oslo 3:10\n1:Norway 2:Bergen 3:30\n3:40.00\n0:- 1:Country : Peru/3\n"
       "1:Peru 2:Lima 3:50\n3:50.00\n"},
      {"group footers when expanded, office 11", 1, gfVisibleWhenExpanded, grsOffice11, false, false,
       "0:Country/2 2:City 3:Amount\n0:- 1:Country : Japan/3\n0:Japan/2 2:Tokyo 3:20\n"
       "0:Japan/2 2:Osaka 3:40\n0:Japan/2 2:Kyoto 3:60\n0:/2 3:120.00\n0:- 1:Country : Norway/3\n"
       "0:Norway/2 2:Oslo 3:10\n0:Norway/2 2:Bergen 3:30\n0:/2 3:40.00\n0:- 1:Country : Peru/3\n"
       "0:Peru/2 2:Lima 3:50\n0:/2 3:50.00\n"},
      {"group footers always, office 11", 1, gfAlwaysVisible, grsOffice11, false, false,
       "0:Country/2 2:City 3:Amount\n0:- 1:Country : Japan/3\n0:Japan/2 2:Tokyo 3:20\n"
       "0:Japan/2 2:Osaka 3:40\n0:Japan/2 2:Kyoto 3:60\n0:/2 3:120.00\n0:- 1:Country : Norway/3\n"
       "0:Norway/2 2:Oslo 3:10\n0:Norway/2 2:Bergen 3:30\n0:/2 3:40.00\n0:- 1:Country : Peru/3\n"
       "0:Peru/2 2:Lima 3:50\n0:/2 3:50.00\n"},
      {"two levels, group footers always", 2, gfAlwaysVisible, grsStandard, false, false,
       "0:Country/3 3:City 4:Amount\n0:- 1:Country : Japan/4\n1:- 2:City : Kyoto/3\n"
       "2:Japan 3:Kyoto 4:60\n1:/2 4:60.00\n1:- 2:City : Osaka/3\n2:Japan 3:Osaka 4:40\n"
       "1:/2 4:40.00\n1:- 2:City : Tokyo/3\n2:Japan 3:Tokyo 4:20\n1:/2 4:20.00\n0:/3 4:120.00\n"
       "0:- 1:Country : Norway/4\n1:- 2:City : Bergen/3\n2:Norway 3:Bergen 4:30\n1:/2 4:30.00\n"
       "1:- 2:City : Oslo/3\n2:Norway 3:Oslo 4:10\n1:/2 4:10.00\n0:/3 4:40.00\n"
       "0:- 1:Country : Peru/4\n1:- 2:City : Lima/3\n2:Peru 3:Lima 4:50\n1:/2 4:50.00\n"
       "0:/3 4:50.00\n"},
      {"two levels, group footers when expanded, office 11", 2, gfVisibleWhenExpanded, grsOffice11, false, false,
       "0:Country/3 3:City 4:Amount\n0:- 1:Country : Japan/4\n1:- 2:City : Kyoto/3\n"
       "1:Japan/2 3:Kyoto 4:60\n1:/2 4:60.00\n1:- 2:City : Osaka/3\n1:Japan/2 3:Osaka 4:40\n"
       "1:/2 4:40.00\n1:- 2:City : Tokyo/3\n1:Japan/2 3:Tokyo 4:20\n1:/2 4:20.00\n1:/2 4:120.00\n"
       "0:- 1:Country : Norway/4\n1:- 2:City : Bergen/3\n1:Norway/2 3:Bergen 4:30\n1:/2 4:30.00\n"
       "1:- 2:City : Oslo/3\n1:Norway/2 3:Oslo 4:10\n1:/2 4:10.00\n1:/2 4:40.00\n"
       "0:- 1:Country : Peru/4\n1:- 2:City : Lima/3\n1:Peru/2 3:Lima 4:50\n1:/2 4:50.00\n"
       "1:/2 4:50.00\n"},
      {"groups always expanded", 1, gfInvisible, grsStandard, false, true,
       "0:Country/2 2:City 3:Amount\n0:Country : Japan/4\n1:Japan 2:Tokyo 3:20\n"
       "1:Japan 2:Osaka 3:40\n1:Japan 2:Kyoto 3:60\n0:Country : Norway/4\n1:Norway 2:Oslo 3:10\n"
       "1:Norway 2:Bergen 3:30\n0:Country : Peru/4\n1:Peru 2:Lima 3:50\n"},
  };
  TcxGridDBTableView* v = GroupedView(0);
  v->GetColumn(2)->Summary()->SetFooterKind(skSum);
  v->GetColumn(2)->Summary()->SetGroupFooterKind(skSum);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (Integer g = 2; g >= 0; --g) v->GetColumn(g)->SetGroupIndex(-1);
    for (Integer g = 0; g < c.groups; ++g) v->GetColumn(g)->SetGroupIndex(g);
    v->GetOptionsView()->SetGroupFooters(c.footers);
    v->GetOptionsView()->SetGroupRowStyle(c.rowStyle);
    v->GetOptionsView()->SetFooter(c.footer);
    TcxDataControllerOptions options = v->DataController()->GetOptions() - dcoGroupsAlwaysExpanded;
    v->DataController()->SetOptions(c.alwaysExpanded ? options + dcoGroupsAlwaysExpanded : options);
    Relayout(v);
    TcxRecordingExportProvider* r = Record();
    EXPECT_EQ(Sheet(r), c.sheet);
    // The text writer writes the same cells, "|" between them.
    String lines;
    for (Integer row = 0; row < r->GetRowCount(); ++row) {
      for (Integer col = 0; col < r->GetColumnCount(); ++col) lines += (col ? "|" : "") + r->CellText(col, row);
      lines += "\r\n";
    }
    TTempFolder dir;
    ExportGridToFile(dir.File("grid.txt"), cxExportToText, grid_, true, true, false, "|", "", "", "");
    EXPECT_EQ(ReadWholeFile(dir.File("grid.txt")), lines);
  }
}

}  // namespace

namespace {

// Footers keep their frame under any grid lines; a collapsed group writes its footer only when
// footers are always visible; a selection export writes neither group footers nor the footer.
TEST_F(cxExportGrid4Link, FooterFramesAndWhichGroupFootersAreWritten) {
  TcxGridDBTableView* v = GroupedView(1);
  v->TableOptionsSelection()->SetMultiSelect(true);
  v->GetColumn(2)->Summary()->SetFooterKind(skSum);
  v->GetColumn(2)->Summary()->SetGroupFooterKind(skSum);
  v->GetColumn(2)->SetFooterAlignmentHorz(taCenter);
  v->GetOptionsView()->SetFooter(true);
  v->GetOptionsView()->SetGridLines(glNone);
  v->GetOptionsView()->SetGroupFooters(gfAlwaysVisible);
  Relayout(v);
  TcxRecordingExportProvider* r = Record();
  Integer last = r->GetRowCount() - 1;
  ASSERT_EQ(r->CellText(3, last), "210.00");
  for (Integer side = 0; side < 4; ++side) {
    EXPECT_EQ(r->GetCellStyle(3, last)->Borders[side].Width, 1) << side;
    EXPECT_EQ(r->GetCellStyle(3, last - 1)->Borders[side].Width, 1) << side;  // Peru's footer
    EXPECT_EQ(r->GetCellStyle(3, last - 2)->Borders[side].Width, 0) << side;  // Lima
  }
  // The summary's cell takes the column's footer alignment; the empty one keeps the default.
  EXPECT_EQ(r->GetCellStyle(3, last)->AlignText, catCenter);
  EXPECT_EQ(r->GetCellStyle(0, last)->AlignText, DefaultCellStyle().AlignText);

  struct Case {
    TcxGridGroupFootersMode mode;
    bool saveAll;
    Integer rows;
  };
  for (const Case& c : {Case{gfAlwaysVisible, true, 1 + 3 * 2 + 1}, Case{gfVisibleWhenExpanded, true, 1 + 3 + 1},
                        Case{gfAlwaysVisible, false, 1 + 1}}) {
    v->GetOptionsView()->SetGroupFooters(c.mode);
    v->GetViewData()->CollapseAll(true);
    v->DataController()->ClearSelection();
    v->DataController()->ChangeRowSelection(0, true);
    TcxRecordingExportProvider::ClearCreated();
    ExportGridToFile("grid.txt", cxExportToRecorder, grid_, false, c.saveAll, false, "", "", "", "");
    r = TcxRecordingExportProvider::Created().back().get();
    EXPECT_EQ(r->GetRowCount(), c.rows) << c.mode << c.saveAll;
    EXPECT_EQ(r->CellText(1, 1), "Country : Japan") << c.mode << c.saveAll;
  }
}

// The preview column's text on a line of its own above or below each data row, across the
// row from the row's level, in blue.
TEST_F(cxExportGrid4Link, PreviewLinesOnTopAndAtTheBottom) {
  TcxGridDBTableView* v = GroupedView(1);
  v->Preview()->SetColumn(v->GetColumn(1));
  v->Preview()->SetVisible(true);
  for (TcxGridPreviewPlace place : {ppTop, ppBottom}) {
    v->Preview()->SetPlace(place);
    Relayout(v);
    TcxRecordingExportProvider* r = Record();
    SCOPED_TRACE(place);
    const String japan = place == ppTop
                             ? "0:Country/2 2:Amount\n0:- 1:Country : Japan/2\n1:Tokyo/2\n1:Japan 2:20\n1:Osaka/2\n"
                               "1:Japan 2:40\n1:Kyoto/2\n1:Japan 2:60\n0:- 1:Country : Norway/2\n"
                             : "0:Country/2 2:Amount\n0:- 1:Country : Japan/2\n1:Japan 2:20\n1:Tokyo/2\n1:Japan 2:40\n"
                               "1:Osaka/2\n1:Japan 2:60\n1:Kyoto/2\n0:- 1:Country : Norway/2\n";
    EXPECT_EQ(Sheet(r).substr(0, japan.size()), japan);
    EXPECT_EQ(r->GetRowCount(), 1 + 3 + 6 * 2);
    // The indent before the preview line, the line's style with the grid lines.
    EXPECT_EQ(r->GetCellStyle(0, place == ppTop ? 2 : 3)->Borders[0].Width, 1);
    EXPECT_EQ(r->GetCellStyle(1, 2)->Borders[3].Width, 1);
  }
}

// Native format: a date column writes its date value, a text column its display text.
TEST_F(cxExportGrid4Link, NativeFormatWritesDatesAsValues) {
  TcxGridDBTableView* v = AddView();
  ds_.AddFieldDef("Name", ftString, 20);
  ds_.AddFieldDef("Day", ftDate);
  ds_.AppendRow({Variant("first"), VarFromDateTime(EncodeDate(2026, 3, 1))});
  ds_.Open();
  source_.SetDataSet(&ds_);
  v->GetDataController()->SetDataSource(&source_);
  v->GetDataController()->CreateAllItems();
  v->GetColumn(1)->SetPropertiesClass(TcxDateEditProperties::StaticClass());
  ShowWithColumnWidth(v, 100);
  for (bool native : {false, true}) {
    TcxRecordingExportProvider::Register();
    TcxRecordingExportProvider::ClearCreated();
    ExportGridToFile("grid.txt", cxExportToRecorder, grid_, true, true, native, "", "", "", "");
    TcxRecordingExportProvider* r = TcxRecordingExportProvider::Created().back().get();
    SCOPED_TRACE(native);
    EXPECT_EQ(Logged(r, "SetCellValue 1 1 type " + IntToStr(varDate)), native);
    EXPECT_EQ(Logged(r, "SetCellValue 0 1 type " + IntToStr(VarType(Variant(String("first"))))), native);
    EXPECT_EQ(r->CellText(0, 1), "first");
    EXPECT_EQ(r->CellText(1, 1), native ? VarToStr(VarFromDateTime(EncodeDate(2026, 3, 1)))
                                        : v->GetViewData()->GetRow(0)->GetDisplayText(1));
    // Header texts stay texts.
    EXPECT_EQ(r->CellText(1, 0), "Day");
  }
}

// An error inside the export reaches the caller after the grid mode is back.
TEST_F(cxExportGrid4Link, AnErrorReachesTheCallerAfterTheGridModeIsRestored) {
  TcxGridDBTableView* v = GroupedView(0);
  TcxDBDataModeController* mode = v->GetDataController()->DataModeController();
  mode->SetGridMode(true);
  Pump();
  ASSERT_TRUE(mode->GridMode());
  // The footer's summary text fails once the export asks for it (the painted footer asks too).
  v->GetColumn(2)->Summary()->SetFooterKind(skSum);
  v->GetOptionsView()->SetFooter(true);
  bool exporting = false;
  v->DataController()->Summary()->FooterSummaryItems()->Items(0)->OnGetText = [&](TcxDataSummaryItem*,
                                                                                  const Variant&, bool, String&) {
    // Layouts inside the export ask too while grid mode is still on; the export's own request
    // comes with grid mode off (save-all).
    if (!exporting || mode->GridMode()) return;
    throw EInvalidOperation("summary text failed");
  };
  TcxRecordingExportProvider::Register();
  Pump();
  exporting = true;
  try {
    ExportGridToFile("grid.txt", cxExportToRecorder, grid_, true, true, false, "", "", "", "");
    ADD_FAILURE() << "no error";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "summary text failed");
  }
  exporting = false;
  EXPECT_TRUE(mode->GridMode());
  EXPECT_EQ(TcxRecordingExportProvider::Created().back()->CommitCount(), 0);
}

}  // namespace

namespace {

// A master view of countries over a detail level of cities: an expand column before the
// cells, the sign of each master row in it, and after each expanded row a detail line whose
// cell after the sign spans the rest of the row and nests the detail clone's own sheet.
TEST_F(cxExportGrid4Link, AnExpandedMasterRowNestsItsDetailView) {
  TcxGridDBTableView* master = MasterDetail();
  TcxRecordingExportProvider::Register();
  TcxRecordingExportProvider::ClearCreated();
  ExportGridToFile("grid.txt", cxExportToRecorder, grid_, true, true, false, "", "", "", "");
  auto created = TcxRecordingExportProvider::Created();
  ASSERT_EQ(created.size(), 3u);  // the master and one detail per expanded row
  TcxRecordingExportProvider* r = created.front().get();
  EXPECT_EQ(Sheet(r), "0:Country/2 2:Capital\n0:- 1:Japan 2:Tokyo\n1:/2\n0:- 1:Peru 2:Lima\n1:/2\n");
  EXPECT_EQ(r->GetColumnWidth(0), 17);
  TRect first = master->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(0)->Bounds;
  EXPECT_EQ(r->GetColumnWidth(1), first.Width() - 16);
  EXPECT_EQ(r->NestedRecorder(1, 2), created[1].get());
  EXPECT_EQ(r->NestedRecorder(1, 4), created[2].get());
  EXPECT_EQ(Sheet(created[1].get()), "0:Country 1:City 2:Amount\n0:Japan 1:Osaka 2:40\n0:Japan 1:Kyoto 2:60\n");
  EXPECT_EQ(Sheet(created[2].get()), "0:Country 1:City 2:Amount\n0:Peru 1:Cusco 2:5\n");

  // In HTML each detail is a table nested in the cell under its master row.
  TTempFolder dir;
  ExportGridToHtml(dir.File("grid.html"), grid_, true, true, "html");
  String page = RunPythonScript(dir,
                                "import sys, html5lib\n"
                                "with open(sys.argv[1], 'rb') as f:\n"
                                "    doc = html5lib.parse(f, treebuilder='etree', namespaceHTMLElements=False)\n"
                                "def rows(table, depth):\n"
                                "    body = table.find('tbody')\n"
                                "    for tr in (body if body is not None else table).findall('tr'):\n"
                                "        cells = []\n"
                                "        for td in tr.findall('td'):\n"
                                "            inner = td.find('.//table')\n"
                                "            if inner is not None:\n"
                                "                rows(inner, depth + 1)\n"
                                "                continue\n"
                                "            text = ''.join(td.itertext()).replace('\\xa0', '').strip()\n"
                                "            if text: cells.append(text)\n"
                                "        if cells: print('  ' * depth + ' '.join(cells))\n"
                                "rows(doc.find('.//table'), 0)\n",
                                dir.File("grid.html"));
  EXPECT_EQ(page,
            "Country Capital\n- Japan Tokyo\n  Country City Amount\n  Japan Osaka 40\n  Japan Kyoto 60\n"
            "- Peru Lima\n  Country City Amount\n  Peru Cusco 5\n");
}

}  // namespace

namespace {

// A recorder under an export type of its own that fails where a case tells it: when the
// exporter asks for its provider (given the count of providers asked for before) or when it
// is given a cell text.
class TcxFailingRecorder final : public TcxRecordingExportProvider {
 public:
  using TcxRecordingExportProvider::TcxRecordingExportProvider;
  static constexpr Integer kType = cxExportToRecorder - 1;
  static inline std::function<void(size_t)> onCreate;
  static inline std::function<void(const String&)> onText;
  static inline std::vector<std::shared_ptr<TcxFailingRecorder>> made;
  static inline size_t asked = 0;

  static void Register() {
    class TClass final : public TcxExportProviderClassInfo {
      Integer ExportType() const override { return kType; }
      String ExportName() const override { return "Failing recorder"; }
      std::shared_ptr<TcxCustomExportProvider> Create(const String& fileName) const override {
        if (onCreate) onCreate(asked++);
        auto p = std::make_shared<TcxFailingRecorder>(fileName);
        made.push_back(p);
        return p;
      }
    };
    static const TClass info;
    TcxRecordingExportProvider::Register();
    TcxExport::RegisterProviderClass(&info);
  }
  void SetCellDataString(Integer col, Integer row, const String& value) override {
    if (onText) onText(value);
    TcxRecordingExportProvider::SetCellDataString(col, row, value);
  }
};

// A detail export failing with EcxExportData or EcxGridExport leaves its cell empty and the
// export goes on with the next master row and its detail; any other error in a detail, and
// any error of the master's own cells, reaches the caller with nothing committed. Either way
// the exporters are gone afterwards: a provider is held by the case and, if nested, by the
// master's cell only.
TEST_F(cxExportGrid4Link, AFailingDetailExportLeavesItsCellEmpty) {
  MasterDetail();
  TcxFailingRecorder::Register();
  auto raiseOn = [](const String& text, std::function<void()> raise) {
    return [=](const String& value) {
      if (value == text) raise();
    };
  };
  struct Case {
    const char* what;
    std::function<void(size_t)> onCreate;
    std::function<void(const String&)> onText;
    const char* error;  // the message reaching the caller, nullptr for none
  };
  const Case cases[] = {
      {"the detail's writer raises EcxExportData", nullptr,
       raiseOn("Osaka", [] { throw EcxExportData("The row index 3 out of bounds"); }), nullptr},
      // The exporter turns the provider's file error into EcxGridExport.
      {"the detail's output cannot be made", [](size_t i) {
         if (i == 1) throw EFCreateError("no file");
       },
       nullptr, nullptr},
      {"the detail's writer raises another error", nullptr,
       raiseOn("Osaka", [] { throw EInvalidOperation("detail cell failed"); }), "detail cell failed"},
      {"the master's writer raises EcxExportData", nullptr,
       raiseOn("Lima", [] { throw EcxExportData("master cell failed"); }), "master cell failed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TcxFailingRecorder::made.clear();
    TcxFailingRecorder::asked = 0;
    TcxFailingRecorder::onCreate = c.onCreate;
    TcxFailingRecorder::onText = c.onText;
    String error;
    try {
      ExportGridToFile("grid.txt", TcxFailingRecorder::kType, grid_, true, true, false, "", "", "", "");
    } catch (const Exception& e) {
      error = e.Message();
    }
    TcxFailingRecorder::onCreate = nullptr;
    TcxFailingRecorder::onText = nullptr;
    auto& made = TcxFailingRecorder::made;
    ASSERT_GE(made.size(), 2u) << error;
    TcxFailingRecorder* master = made.front().get();
    EXPECT_EQ(made.front().use_count(), 1);
    for (size_t i = 1; i < made.size(); ++i) {
      bool nested = master->NestedRecorder(1, 2) == made[i].get() || master->NestedRecorder(1, 4) == made[i].get();
      EXPECT_EQ(made[i].use_count(), nested ? 2 : 1) << i;
    }
    if (c.error) {
      EXPECT_EQ(error, c.error);
      EXPECT_EQ(master->CommitCount(), 0);
      continue;
    }
    EXPECT_EQ(error, "");
    EXPECT_EQ(master->CommitCount(), 1);
    // Japan's detail line keeps its style and span but neither text nor cache; Peru's nests
    // the last detail made, whole.
    EXPECT_EQ(master->Sheet(), "0:Country/2 2:Capital\n0:- 1:Japan 2:Tokyo\n1:/2\n0:- 1:Peru 2:Lima\n1:/2\n");
    EXPECT_EQ(master->NestedRecorder(1, 2), nullptr);
    EXPECT_EQ(master->CellText(1, 2), "");
    EXPECT_NE(master->GetCellStyle(1, 2), nullptr);
    EXPECT_EQ(master->NestedRecorder(1, 4), made.back().get());
    EXPECT_EQ(made.back()->Sheet(), "0:Country 1:City 2:Amount\n0:Peru 1:Cusco 2:5\n");
  }
  TcxFailingRecorder::made.clear();
}

// Nothing to write: a view without visible columns, and a selection export with nothing
// selected and no header; the provider is still committed.
TEST_F(cxExportGrid4Link, EmptySheetsAreStillCommitted) {
  TcxGridDBTableView* v = GroupedView(1);
  v->TableOptionsSelection()->SetMultiSelect(true);
  v->DataController()->ClearSelection();
  v->GetOptionsView()->SetHeader(false);
  Relayout(v);
  TcxRecordingExportProvider* r = Record(false);
  EXPECT_FALSE(r->RangeSet());
  EXPECT_EQ(r->CommitCount(), 1);
  v->GetOptionsView()->SetHeader(true);
  for (Integer i = 0; i < v->GetColumnCount(); ++i) v->GetColumn(i)->SetVisible(false);
  Relayout(v);
  r = Record();
  EXPECT_FALSE(r->RangeSet());
  EXPECT_EQ(r->CommitCount(), 1);
}

}  // namespace

namespace {

// The route of a detail view: an exporter given a view info laid out from the first record
// (CreateDetailViewInfo) maps its columns from that layout, fills its provider without
// committing it (ExportContent), and the provider nests in the master's cell.
TEST_F(cxExportGrid4Link, ADetailExporterFillsItsCacheWithoutCommitting) {
  TcxGridDBTableView* v = GroupedView(0);
  TcxRecordingExportProvider::Register();
  TcxRecordingExportProvider::ClearCreated();
  TcxGridTableViewExport master("m.txt", cxExportToRecorder, v, grid_, nullptr);
  std::unique_ptr<TcxGridTableViewInfo> info(
      dynamic_cast<TcxGridTableViewInfo*>(master.CreateDetailViewInfo(v, TRect(0, 0, 500, 300))));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->HeaderViewInfo()->GetItemViewInfoCount(), 3);
  EXPECT_EQ(master.CreateDetailViewInfo(nullptr, TRect(0, 0, 500, 300)), nullptr);
  TcxGridTableViewExport detail("m.txt", cxExportToRecorder, v, grid_, info.get());
  detail.ExportContent();
  auto recorders = TcxRecordingExportProvider::Created();
  ASSERT_EQ(recorders.size(), 2u);
  TcxRecordingExportProvider* inner = recorders[1].get();
  EXPECT_EQ(inner->CommitCount(), 0);
  EXPECT_EQ(inner->GetColumnWidth(1), 80);
  EXPECT_EQ(inner->CellText(1, 6), "Kyoto");
  recorders[0]->SetRange(2, 1, false);
  recorders[0]->SetCellCache(1, 0, std::dynamic_pointer_cast<IcxCellInternalCache>(detail.ProviderRef()));
  EXPECT_EQ(recorders[0]->NestedRecorder(1, 0), inner);
}

}  // namespace
