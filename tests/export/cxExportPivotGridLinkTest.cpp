// The pivot grid export link: a pivot grid shown headless, exported through the recording
// provider (cells, merged ranges, widths, borders, values), the HTML and text writers, and its
// state after the export.
#include <gtest/gtest.h>

#include <set>

#include "ExportTestSupport.h"
#include "export/cxExportPivotGridLink.h"
#include "pivotgrid/cxCustomPivotGrid.h"
#include "tests/pivotgrid/PivotGridViewFixture.h"
#include "tests/support/export/ExportRecorder.h"

using pivot_fixture::TShownPivot;

namespace {

// A laid-out cell as the export layout has it.
struct TLaidOutCell {
  TRect Bounds;
  String Text;
};

// The export layout of the grid, every group expanded, read through an export controller of
// its own (the link lays the grid out the same way).
std::vector<TLaidOutCell> ExportLayout(TcxCustomPivotGrid* grid) {
  std::vector<TLaidOutCell> out;
  TcxPivotGridExportController controller(grid);
  TcxPivotGridViewInfo* vi = controller.CalculateViewInfo();
  for (TcxPivotGridCells* list : {&vi->ColumnHeaders, &vi->FieldHeaders, &vi->RowHeaders, &vi->DataCells})
    for (TcxPivotGridCustomCellViewInfo* cell : list->List()) {
      if (dynamic_cast<TcxPivotGridDataCellViewInfo*>(cell)) cell->Calculate();
      out.push_back({cell->Bounds, cell->DisplayText});
    }
  return out;
}

// The recorder keeps the providers it made; each test lets them go, so that no text provider
// outlives its test (the picture names count from zero again only once none lives).
class cxExportPivotGridLink : public ::testing::Test {
 protected:
  void TearDown() override { TcxRecordingExportProvider::ClearCreated(); }
};

TcxRecordingExportProvider* Export(TcxCustomPivotGrid* grid, bool expand = true, bool native = false) {
  TcxRecordingExportProvider::Register();
  TcxRecordingExportProvider::ClearCreated();
  ExportPivotGridToFile("pivot.txt", grid, cxExportToRecorder, expand, native, {}, "");
  EXPECT_EQ(TcxRecordingExportProvider::Created().size(), 1u);
  return TcxRecordingExportProvider::Created().back().get();
}

// The top-left cell of the range showing a text, (-1, -1) when none does.
TPoint Find(const TcxRecordingExportProvider& r, const String& text) {
  for (Integer row = 0; row < r.GetRowCount(); ++row)
    for (Integer col = 0; col < r.GetColumnCount(); ++col)
      if (!r.GetCacheItem(col, row).Hidden && r.CellText(col, row) == text) return TPoint(col, row);
  return TPoint(-1, -1);
}

Integer CountLines(const TcxRecordingExportProvider& r, const String& prefix) {
  Integer n = 0;
  for (const String& line : r.Log()) n += line.rfind(prefix, 0) == 0;
  return n;
}

}  // namespace

// Every laid-out cell becomes one range over exactly the columns and rows between its edges,
// at the place of its left and top edge, with its text; the widths and heights are the
// distances of neighbouring edges; a year's header over the two data fields spans 2 columns.
TEST_F(cxExportPivotGridLink, EveryCellBecomesOneMergedRangeOverItsEdges) {
  TShownPivot s;
  std::vector<TLaidOutCell> layout = ExportLayout(s.grid);
  TcxRecordingExportProvider* r = Export(s.grid);
  std::set<Integer> xs, ys;
  for (const TLaidOutCell& c : layout) {
    xs.insert({c.Bounds.Left, c.Bounds.Right});
    ys.insert({c.Bounds.Top, c.Bounds.Bottom});
  }
  std::vector<Integer> x(xs.begin(), xs.end()), y(ys.begin(), ys.end());
  ASSERT_EQ(r->GetColumnCount(), Integer(x.size()) - 1);
  ASSERT_EQ(r->GetRowCount(), Integer(y.size()) - 1);
  EXPECT_EQ(CountLines(*r, "SetRange " + IntToStr(Integer(x.size()) - 1) + " " + IntToStr(Integer(y.size()) - 1) + " 0"), 1);
  for (size_t i = 0; i + 1 < x.size(); ++i) EXPECT_EQ(r->GetColumnWidth(Integer(i)), x[i + 1] - x[i]);
  for (size_t i = 0; i + 1 < y.size(); ++i) EXPECT_EQ(r->GetRowHeight(Integer(i)), y[i + 1] - y[i]);
  std::set<std::pair<Integer, Integer>> origins;
  for (const TLaidOutCell& c : layout) {
    SCOPED_TRACE(c.Text);
    Integer col = Integer(std::lower_bound(x.begin(), x.end(), c.Bounds.Left) - x.begin());
    Integer row = Integer(std::lower_bound(y.begin(), y.end(), c.Bounds.Top) - y.begin());
    Integer right = Integer(std::lower_bound(x.begin(), x.end(), c.Bounds.Right) - x.begin());
    Integer bottom = Integer(std::lower_bound(y.begin(), y.end(), c.Bounds.Bottom) - y.begin());
    EXPECT_TRUE(origins.insert({col, row}).second);
    TcxCacheItem item = r->GetCacheItem(col, row);
    EXPECT_FALSE(item.Hidden);
    EXPECT_EQ(item.UnionColumnCount, right - col);
    EXPECT_EQ(item.UnionRowCount, bottom - row);
    EXPECT_EQ(r->GetCellWidth(col, row), c.Bounds.Width());
    EXPECT_EQ(r->CellText(col, row), c.Text);
  }
  EXPECT_EQ(r->CommitCount(), 1);
  EXPECT_EQ(r->Log().back(), "Commit");
  // The year spans the columns of its two data cells (Oslo's amount and quantity of 2023).
  TPoint year = Find(*r, "2023"), amount = Find(*r, "10.00"), qty = Find(*r, "1");
  ASSERT_GE(year.X, 0);
  ASSERT_GE(amount.X, 0);
  ASSERT_EQ(qty.Y, amount.Y);
  EXPECT_EQ(year.X, amount.X);
  EXPECT_EQ(r->GetCacheItem(year.X, year.Y).UnionColumnCount,
            r->GetCacheItem(amount.X, amount.Y).UnionColumnCount + r->GetCacheItem(qty.X, qty.Y).UnionColumnCount);
  EXPECT_EQ(r->GetCellStyle(amount.X, amount.Y)->AlignText, catRight);
}

// Borders by the grid lines: a line of width 1 in black on the sides the setting names, the
// format's default elsewhere; the default style has none of its own.
TEST_F(cxExportPivotGridLink, BordersFollowTheGridLines) {
  struct Case {
    TcxPivotGridLines lines;
    bool vert, horz;
  };
  const Case cases[] = {{pglNone, false, false}, {pglHorz, false, true}, {pglVert, true, false}, {pglBoth, true, true}};
  TShownPivot s;
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.lines));
    s.grid->OptionsView()->SetGridLines(c.lines);
    TcxRecordingExportProvider* r = Export(s.grid);
    for (const char* text : {"2023", "10.00", "Oslo", "Region"}) {
      TPoint p = Find(*r, text);
      ASSERT_GE(p.X, 0) << text;
      const TcxCacheCellStyle* st = r->GetCellStyle(p.X, p.Y);
      for (int side = 0; side < 4; ++side) {
        bool line = side % 2 == 0 ? c.vert : c.horz;
        EXPECT_EQ(st->Borders[side].IsDefault, line ? 0 : 1) << text << side;
        EXPECT_EQ(st->Borders[side].Width, line ? 1 : 0) << text << side;
        EXPECT_EQ(st->Borders[side].Color, 0) << text << side;
      }
    }
    for (const TcxCellBorders& b : r->DefaultStyle().Borders) EXPECT_EQ(b.IsDefault, 1);
    EXPECT_EQ(s.grid->OptionsView()->GridLines(), c.lines);
  }
}

// Native format writes the data cells' values, otherwise their formatted texts; headers are
// texts either way.
TEST_F(cxExportPivotGridLink, NativeFormatWritesValuesInsteadOfTexts) {
  TShownPivot s;
  s.amount->SetDisplayFormat("0.00");
  TcxRecordingExportProvider* r = Export(s.grid, true, false);
  EXPECT_GE(Find(*r, "10.00").X, 0);
  EXPECT_LT(Find(*r, "10").X, 0);
  EXPECT_GE(Find(*r, "Oslo").X, 0);
  r = Export(s.grid, true, true);
  EXPECT_GE(Find(*r, "10").X, 0);
  EXPECT_GE(Find(*r, "5.5").X, 0);
  EXPECT_LT(Find(*r, "10.00").X, 0);
  EXPECT_GE(Find(*r, "Oslo").X, 0);
}

// Expand exports collapsed groups expanded; without it they stay collapsed. Either way the
// grid is back as it was: unlocked, the group collapsed, out of its export state.
TEST_F(cxExportPivotGridLink, ExpandAndTheGridAfterwards) {
  TShownPivot s;
  s.grid->DataBuilder()->RowRoot()->Items(0)->SetExpanded(false);
  s.grid->LayoutChanged();
  int rows = s.grid->ViewData()->RowCount();
  for (bool expand : {true, false}) {
    SCOPED_TRACE(expand);
    TcxRecordingExportProvider* r = Export(s.grid, expand);
    EXPECT_EQ(Find(*r, "Oslo").X >= 0, expand);
    EXPECT_GE(Find(*r, "Rome").X, 0);
    EXPECT_FALSE(s.grid->IsLocked());
    EXPECT_FALSE(s.VI()->ExportMode);
    EXPECT_EQ(s.grid->ViewData()->RowCount(), rows);
  }
}

// A provider that raises (the page cannot be created at Commit) reaches the caller with the
// grid restored.
TEST_F(cxExportPivotGridLink, AFailingProviderLeavesTheGridAsItWas) {
  TShownPivot s;
  TTempFolder dir;
  s.grid->OptionsView()->SetGridLines(pglHorz);
  int rows = s.grid->ViewData()->RowCount();
  EXPECT_THROW(ExportPivotGridToHtml(dir.File("missing/pivot.html"), s.grid, true, "html"), Exception);
  EXPECT_FALSE(s.grid->IsLocked());
  EXPECT_FALSE(s.VI()->ExportMode);
  EXPECT_EQ(s.grid->OptionsView()->GridLines(), pglHorz);
  EXPECT_EQ(s.grid->ViewData()->RowCount(), rows);
  EXPECT_GT(s.VI()->DataCells.Count(), 0);
}

// The file extension argument, the separators of the text writer, an unregistered type and a
// nil grid.
TEST_F(cxExportPivotGridLink, FileNamesSeparatorsAndBadInput) {
  TShownPivot s;
  TTempFolder dir;
  ExportPivotGridToHtml(dir.File("out.xls"), s.grid, true, "html");
  EXPECT_TRUE(FileExists(dir.File("out.html")));
  EXPECT_FALSE(FileExists(dir.File("out.xls")));
  ExportPivotGridToFile(dir.File("plain.txt"), s.grid, cxExportToText, true, false, {";", "[", "]"}, "");
  String text = ReadWholeFile(dir.File("plain.txt"));
  EXPECT_NE(text.find("[Oslo];"), String::npos) << text;
  // Separators are for the text writer only.
  ExportPivotGridToFile(dir.File("page.txt"), s.grid, cxExportToHtml, true, false, {";"}, "html");
  EXPECT_TRUE(FileExists(dir.File("page.html")));

  int layouts = s.VI()->RecalculateCount;
  EXPECT_EQ(ExportErrorOf([&] { ExportPivotGridToFile(dir.File("x.y"), s.grid, 77, true, false, {}, ""); }),
            "Unsupported export type: 77");
  EXPECT_EQ(s.grid->ViewInfo()->RecalculateCount, layouts);
  EXPECT_FALSE(s.grid->IsLocked());
  ExportPivotGridToHtml(dir.File("nil.html"), nullptr, true, "html");
  EXPECT_FALSE(FileExists(dir.File("nil.html")));
}

// A cell whose rectangle is empty in a direction is not written: its neighbour keeps its own
// text and range, and the sheet gets no column for it.
namespace {
class TEmptyCellMaps : public TcxPivotGridMapsInfo {
 public:
  TEmptyCellMaps(TcxPivotGridExportHelper* helper, TcxPivotGridExportController* controller,
                 std::vector<String>& emptyTexts)
      : TcxPivotGridMapsInfo(helper, controller), EmptyTexts(emptyTexts) {}
  void BuildMaps() override {
    // The first data cell loses its width, the second its height.
    TcxPivotGridCells& cells = ViewInfo()->DataCells;
    for (int i : {0, 1}) {
      cells[i]->Calculate();
      EmptyTexts.push_back(cells[i]->DisplayText);
    }
    cells[0]->Bounds.Right = cells[0]->Bounds.Left;
    cells[1]->Bounds.Bottom = cells[1]->Bounds.Top;
    TcxPivotGridMapsInfo::BuildMaps();
  }
  std::vector<String>& EmptyTexts;  // the texts of the two cells, kept by the helper
};
class TEmptyCellHelper : public TcxPivotGridExportHelper {
 public:
  using TcxPivotGridExportHelper::TcxPivotGridExportHelper;
  TcxPivotGridMapsInfo* CreateMapsInfo(TcxPivotGridExportController* controller) override {
    return new TEmptyCellMaps(this, controller, EmptyTexts);
  }
  std::vector<String> EmptyTexts;
};
}  // namespace

TEST_F(cxExportPivotGridLink, ACellWithoutAreaIsNotWrittenOverItsNeighbour) {
  TShownPivot s;
  TcxRecordingExportProvider::Register();
  TcxRecordingExportProvider::ClearCreated();
  std::vector<TLaidOutCell> layout = ExportLayout(s.grid);
  Integer cells = 0;
  std::vector<String> emptied;
  {
    TEmptyCellHelper helper(s.grid, "x", cxExportToRecorder);
    helper.Expand = true;
    helper.DoExport();
    emptied = helper.EmptyTexts;
  }
  TcxRecordingExportProvider* r = TcxRecordingExportProvider::Created().back().get();
  for (const String& line : r->Log()) cells += line.rfind("SetCellDataString", 0) == 0;
  EXPECT_EQ(cells, Integer(layout.size()) - 2);
  // Every other cell is written with its own text.
  ASSERT_EQ(emptied.size(), 2u);
  for (size_t i = 0; i < layout.size(); ++i) {
    if (layout[i].Text == emptied[0] || layout[i].Text == emptied[1]) continue;
    EXPECT_GE(Find(*r, layout[i].Text).X, 0) << layout[i].Text;
  }
  for (Integer col = 0; col < r->GetColumnCount(); ++col) EXPECT_GT(r->GetColumnWidth(col), 0);
  for (Integer row = 0; row < r->GetRowCount(); ++row) EXPECT_GT(r->GetRowHeight(row), 0);
}

// The page of a small pivot grid read back by html5lib: captions, group texts and values in
// the grid's order, with the spans of the headers.
TEST_F(cxExportPivotGridLink, AnIndependentParserReadsThePage) {
  TShownPivot s;
  TTempFolder dir;
  ExportPivotGridToHtml(dir.File("pivot.xls"), s.grid, true, "html");
  String out = RunPythonScript(dir,
                               "import sys, html5lib\n"
                               "with open(sys.argv[1], 'rb') as f:\n"
                               "    doc = html5lib.parse(f, treebuilder='etree', namespaceHTMLElements=False)\n"
                               "table = doc.find('.//table')\n"
                               "for tr in [r for r in table.iter('tr')][1:]:\n"
                               "    cells = []\n"
                               "    for td in tr.findall('td'):\n"
                               "        text = ''.join(td.itertext()).replace('\\xa0', '').strip()\n"
                               "        if text:\n"
                               "            span = td.get('colspan', '1') + 'x' + td.get('rowspan', '1')\n"
                               "            cells.append(text + ('' if span == '1x1' else '/' + span))\n"
                               "    if cells: print(' '.join(cells))\n",
                               dir.File("pivot.html"));
  auto at = [&](const String& s) { return out.find(s); };
  // The filter field, the years over both data fields, the data headers, then the rows in
  // order with their values and totals.
  for (const char* line : {"Country/3x1", "2023/3x2 2024/2x2 Grand Total/2x2", "Region/5x2 City/1x2",
                           "Amount/2x2 Qty/1x2 Amount/1x2 Qty/1x2 Amount/1x2 Qty/1x2",
                           "Oslo/2x1 10.00/2x1 1 20.00 2 30.00 3", "South Total/9x1 7.00/2x1 4 4.00 11 11.00 15",
                           "Grand Total/9x1 17.00/2x1 5 29.50 16 46.50 21"})
    EXPECT_NE(at(line), String::npos) << line << "\n" << out;
  EXPECT_LT(at("Country"), at("2023"));
  EXPECT_LT(at("Bergen"), at("Oslo"));
  EXPECT_LT(at("Oslo"), at("Lima"));
  EXPECT_LT(at("Lima"), at("Rome"));
  EXPECT_LT(at("Rome"), at("Grand Total/9x1"));
}
