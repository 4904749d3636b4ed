// From the sample file to the exported page: import, a cross table made by dragging fields
// with the mouse, "Sum" with a display format picked in the dialog, the export of the pivot
// page, and the page read back by an independent HTML parser (python3-html5lib).
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>

#include "AppTestSupport.h"
#include "rtl/SysUtils.h"

namespace {

using apptest::AppFixture;

// The rows of the first table of an HTML page as html5lib reads them: one line a row, its
// non-empty cells' texts separated by blanks, each with "/COLSxROWS" when it spans cells.
class AppEndToEnd : public AppFixture {
 protected:
  String ReadTableRows(const String& file) {
    return RunPythonScript(dir,
                           "import sys, html5lib\n"
                           "with open(sys.argv[1], 'rb') as f:\n"
                           "    doc = html5lib.parse(f, treebuilder='etree', namespaceHTMLElements=False)\n"
                           "table = doc.find('.//table')\n"
                           "for tr in table.iter('tr'):\n"
                           "    cells = []\n"
                           "    for td in tr.findall('td'):\n"
                           "        text = ''.join(td.itertext()).replace('\\xa0', '').strip()\n"
                           "        if text:\n"
                           "            span = td.get('colspan', '1') + 'x' + td.get('rowspan', '1')\n"
                           "            cells.append(text + ('' if span == '1x1' else '/' + span))\n"
                           "    if cells: print(' '.join(cells))\n",
                           file);
  }
  String Sample() {
    return testing_support::SamplePath("sales.csv");
  }
};

TEST_F(AppEndToEnd, TheSampleFileBecomesAPivotPageThatAParserReadsBack) {
  Import(Sample());
  ASSERT_TRUE(messages.empty()) << messages.front();
  ASSERT_EQ(form->tblData->RecordCount(), 100);
  ShowPage(1);
  DragField(PivotField("Region"), Center(PivotAreaRect(faRow)));
  DragField(PivotField("商品名"), Center(PivotAreaRect(faColumn)));
  DropIntoData(PivotField("Quantity"), 1, "#,##0");
  ASSERT_EQ(PivotField("Quantity")->Caption(), "Quantity(Sum)");
  ASSERT_EQ(PivotField("Quantity")->DisplayFormat(), "#,##0");

  // The view's rows of data cells, by row and column.
  std::map<int, std::map<int, String>> rows;
  TcxPivotGridCells& cells = PivotLayout()->DataCells;
  for (int i = 0; i < cells.Count(); ++i) {
    auto* c = static_cast<TcxPivotGridDataCellViewInfo*>(cells[i]);
    rows[c->RowIndex][c->ColumnIndex] = c->DisplayText;
  }
  ASSERT_EQ(rows.size(), 6u);  // five regions and the grand total

  Export(dir.File("pivot.xls"));
  ASSERT_TRUE(messages.empty()) << messages.front();
  String out = ReadTableRows(dir.File("pivot.html"));
  // The texts without their spans ("210/4x1" is "210").
  String plain;
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '/' && i + 1 < out.size() && std::isdigit(static_cast<unsigned char>(out[i + 1]))) {
      while (i + 1 < out.size() && out[i + 1] != ' ' && out[i + 1] != '\n') ++i;
      continue;
    }
    plain += out[i];
  }
  auto at = [&](const String& s) { return plain.find(s); };
  // The captions of the fields left in the filter area, the data field, the row and column
  // fields; the column values in the view's order, each header over its columns' span.
  for (const char* caption : {"OrderID", "Quantity(Sum)", "Region", "商品名", "Notes"})
    EXPECT_NE(at(caption), String::npos) << caption << "\n" << out;
  EXPECT_NE(at("うどん コーヒー ジュース ビスケット 味噌 米 緑茶 醤油 Grand Total"), String::npos) << out;
  EXPECT_NE(out.find("Central/6x1"), String::npos) << out;
  // Spans: every region's header spans as many sheet columns as the others, and each column
  // value's header spans the columns of the values under it (the grand total row has a value
  // in every column).
  auto spansOf = [](const String& text) {
    String line = StringReplace(text, "Grand Total", "GrandTotal", {rfReplaceAll});
    std::vector<String> spans;
    for (const String& cell : SplitString(line, ' ')) {
      size_t slash = cell.rfind('/');
      String span = slash == String::npos ? "1x1" : cell.substr(slash + 1);
      spans.push_back(span.substr(0, span.find('x')));
    }
    return spans;
  };
  String columnHeaders, grandTotal;
  for (const String& l : SplitString(out, '\n')) {
    if (l.rfind("うどん", 0) == 0) columnHeaders = l;
    if (l.rfind("Grand Total/", 0) == 0) grandTotal = l;
    for (const char* region : {"Central", "East", "North", "South", "West", "Grand Total"})
      if (l.rfind(String(region) + "/", 0) == 0) {
        EXPECT_EQ(spansOf(l)[0], "6") << l;
      }
  }
  std::vector<String> totals = spansOf(grandTotal);
  ASSERT_FALSE(totals.empty()) << out;
  totals.erase(totals.begin());
  EXPECT_EQ(spansOf(columnHeaders), totals) << out;
  // Every row of values the view shows (its visible columns), after its region, in order.
  const char* regions[] = {"Central", "East", "North", "South", "West", "Grand Total"};
  size_t previous = 0;
  for (auto& [row, byColumn] : rows) {
    String line = regions[row];
    int column = 0;
    for (auto& [index, text] : byColumn) {
      EXPECT_EQ(index, column++);
      if (!text.empty()) line += " " + text;
    }
    size_t found = at(line + " ");
    EXPECT_NE(found, String::npos) << line << "\n" << out;
    EXPECT_GE(found, previous) << line;
    previous = found;
  }
  // The grand total of all quantities, grouped in thousands by the display format.
  Int64 total = 0;
  form->tblData->First();
  while (!form->tblData->Eof()) {
    total += form->tblData->FieldByName("Quantity")->AsInteger();
    form->tblData->Next();
  }
  EXPECT_NE(at(" " + FormatFloat("#,##0", double(total)) + "\n"), String::npos) << total << "\n" << out;
}

// The grouping page: the sample grouped by a column header dragged with the mouse into the
// group-by box, exported, and read back: the captions, then each group row ("Region : X")
// followed by its records, in the view's order.
TEST_F(AppEndToEnd, TheSampleFileGroupedByAHeaderDragBecomesAGroupedPageThatAParserReadsBack) {
  Import(Sample());
  ASSERT_TRUE(messages.empty()) << messages.front();
  TcxGridDBTableView* v = form->grvGrouping;
  TcxGridColumn* region = nullptr;
  for (Integer i = 0; i < v->GetColumnCount(); ++i)
    if (v->GetColumn(i)->Caption() == "Region") region = v->GetColumn(i);
  ASSERT_NE(region, nullptr);
  // "Fitting" makes every column as wide as its widest text.
  ClickOn(form->cxButton12);
  ExpectGroupingColumnsFitTheirTexts("Fitting");
  DragColumnIntoGroupByBox(region->VisibleIndex());
  ASSERT_EQ(region->GroupIndex(), 0);
  S().Snapshot(form->Handle(), "app_main_grouped.png");

  Export(dir.File("grid.html"));
  ASSERT_TRUE(messages.empty()) << messages.front();
  String out = ReadTableRows(dir.File("grid.html"));
  std::vector<String> lines = SplitString(out, '\n');
  ASSERT_FALSE(lines.empty());
  // The long-text column is written with its texts, not the field's own "(MEMO)".
  EXPECT_EQ(out.find("(MEMO)"), String::npos);
  // The header line holds the captions of the visible columns.
  for (Integer i = 0; i < v->GetVisibleColumnCount(); ++i)
    EXPECT_NE(lines[0].find(v->GetVisibleColumn(i)->Caption()), String::npos) << lines[0];
  // The group rows in the view's order, each followed by as many data lines as its records.
  TcxCustomDataController* dc = v->DataController();
  std::vector<String> groups;
  std::map<String, int> counts;
  form->tblData->First();
  while (!form->tblData->Eof()) {
    ++counts[form->tblData->FieldByName("Region")->AsString()];
    form->tblData->Next();
  }
  for (auto& [name, n] : counts) groups.push_back(name);
  // The record of each data line (found by its OrderID, the first text): its region is the
  // group's, and the line holds the texts the view's visible columns show for it, in order.
  std::map<String, Integer> byId;
  for (Integer r = 0; r < dc->GetRecordCount(); ++r) byId[dc->GetDisplayText(r, 0)] = r;
  Integer regionItem = region->Index();
  size_t line = 1;
  int records = 0;
  for (const String& g : groups) {
    ASSERT_LT(line, lines.size());
    EXPECT_NE(lines[line].find("Region : " + g), String::npos) << lines[line];
    Integer previousId = 0;
    for (int k = 1; k <= counts[g] && line + k < lines.size(); ++k) {
      const String& text = lines[line + k];
      String id = text.substr(0, text.find(' '));
      ASSERT_TRUE(byId.count(id)) << text;
      Integer r = byId[id];
      EXPECT_EQ(dc->GetDisplayText(r, regionItem), g) << text;
      EXPECT_GT(StrToInt(id), previousId) << text;  // the view's order: the file's, inside a group
      previousId = StrToInt(id);
      size_t at = 0;
      for (Integer i = 0; i < v->GetVisibleColumnCount(); ++i) {
        TcxGridColumn* c = v->GetVisibleColumn(i);
        if (c->Caption() == "OrderDate" || c->Caption() == "Notes") continue;  // texts of their own
        String cell = dc->GetDisplayText(r, c->Index());
        size_t found = text.find(cell, at);
        EXPECT_NE(found, String::npos) << c->Caption() << " '" << cell << "' in " << text;
        if (found != String::npos) at = found + cell.size();
      }
    }
    line += 1 + counts[g];
    records += counts[g];
  }
  EXPECT_EQ(records, dc->GetRecordCount());
  EXPECT_EQ(line, lines.size()) << out;
}

}  // namespace
