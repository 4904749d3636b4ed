// The grid export link: the column map, a grouped data-set table view laid out headless and
// exported through the recording provider and the HTML writer, and the link's errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "ExportTestSupport.h"
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

bool Logged(const TcxRecordingExportProvider* r, const String& line) {
  return std::find(r->Log().begin(), r->Log().end(), line) != r->Log().end();
}

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

// Grid mode with a window that does not start at the first record: the selected record is
// exported, not the row that had its grid-mode index; grid mode is back afterwards.
TEST_F(cxExportGrid4Link, GridModeSelectionExportsTheSelectedRecords) {
  TcxGridDBTableView* v = GroupedView(0);
  v->TableOptionsSelection()->SetMultiSelect(true);
  TcxDBDataModeController* mode = v->GetDataController()->DataModeController();
  mode->SetGridModeBufferCount(3);
  mode->SetGridMode(true);
  ds_.SetRecNo(5);
  Pump();
  TcxGridViewData* data = v->GetViewData();
  ASSERT_EQ(data->GetRowCount(), 3);
  ASSERT_NE(data->GetRow(0)->GetDisplayText(1), "Oslo");
  Integer target = -1;
  for (Integer i = 0; i < data->GetRowCount(); ++i)
    if (data->GetRow(i)->GetDisplayText(1) == "Lima") target = i;
  ASSERT_GE(target, 0);
  ASSERT_NE(data->GetRow(target)->RecordIndex(), 4) << "the window must not start at the first record";
  v->DataController()->ClearSelection();
  v->DataController()->ChangeRowSelection(target, true);
  TcxRecordingExportProvider* r = Record(false);
  ASSERT_EQ(r->GetRowCount(), 2);
  EXPECT_EQ(r->CellText(1, 1), "Lima");
  EXPECT_TRUE(mode->GridMode());
}

// The page of a grouped view read back by html5lib: captions, group texts and values in the
// view's order.
TEST_F(cxExportGrid4Link, AnIndependentParserReadsThePage) {
  GroupedView(1);
  TTempFolder dir;
  ExportGridToHtml(dir.File("grid.xls"), grid_, true, true, "html");
  String out = RunPythonScript(dir,
                               "import sys, html5lib\n"
                               "with open(sys.argv[1], 'rb') as f:\n"
                               "    doc = html5lib.parse(f, treebuilder='etree', namespaceHTMLElements=False)\n"
                               "table = doc.find('.//table')\n"
                               "for tr in table.iter('tr'):\n"
                               "    cells = []\n"
                               "    for td in tr.findall('td'):\n"
                               "        text = ''.join(td.itertext()).replace('\\xa0', '').strip()\n"
                               "        if text:\n"
                               "            span = td.get('colspan', '1')\n"
                               "            cells.append(text + ('' if span == '1' else '/' + span))\n"
                               "    if cells: print(' '.join(cells))\n",
                               dir.File("grid.html"));
  for (const char* line : {"Country/2 City Amount", "- Country : Japan/3", "Japan Kyoto 60", "Japan Osaka 40",
                           "Japan Tokyo 20", "- Country : Norway/3", "Norway Bergen 30", "Norway Oslo 10",
                           "- Country : Peru/3", "Peru Lima 50"})
    EXPECT_NE(out.find(line), String::npos) << line << "\n" << out;
  EXPECT_LT(out.find("Amount"), out.find("Japan"));
  EXPECT_LT(out.find("Japan"), out.find("Norway"));
  EXPECT_LT(out.find("Norway"), out.find("Bergen"));
  EXPECT_LT(out.find("Bergen"), out.find("Peru"));
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
