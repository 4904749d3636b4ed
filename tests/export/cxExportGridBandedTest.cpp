// The banded table view exporter: band headers over the column headers (nested ones above
// their children), records over several sheet rows, a column of two lines, a grouped view's
// first band over the group indents, footers; views without visible columns; each configuration
// through the recording provider and the text writer, and one page read back by html5lib.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "ExportTestSupport.h"
#include "RecorderSheetSupport.h"
#include "export/cxExportGridBanded.h"
#include "tests/gridviews/BandedTestSupport.h"

namespace {

class cxExportGridBanded : public bandedtest::BandedFixture {
 protected:
  void SetUp() override {
    BandedFixture::SetUp();
    InitializeCxExportGrid4Link();
    TcxRecordingExportProvider::Register();
  }
  void TearDown() override {
    TcxRecordingExportProvider::ClearCreated();
    BandedFixture::TearDown();
  }
  TcxRecordingExportProvider* Record() {
    TcxRecordingExportProvider::ClearCreated();
    ExportGridToFile("banded.txt", cxExportToRecorder, grid_, true, true, false, "", "", "", "");
    EXPECT_EQ(TcxRecordingExportProvider::Created().size(), 1u);
    return TcxRecordingExportProvider::Created().back().get();
  }
  // The text writer writes the recorder's cells.
  void ExpectTextWriterWritesTheSameCells(TcxRecordingExportProvider* r) {
    TTempFolder dir;
    ExportGridToFile(dir.File("grid.txt"), cxExportToText, grid_, true, true, false, "|", "", "", "");
    EXPECT_EQ(ReadWholeFile(dir.File("grid.txt")), TextLines(r));
  }
};

// Each configuration as a whole sheet ("column:text", "/n" a span of n columns), its column
// widths and the frame of one cell (left, top, right, bottom border widths).
TEST_F(cxExportGridBanded, ViewConfigurations) {
  struct Case {
    const char* what;
    std::function<void(cxExportGridBanded&)> build;
    const char* sheet;
    std::vector<Integer> widths;
    Integer frameCol, frameRow;
    const char* frame;
    const char* logged;
  };
  const Case cases[] = {
      {"bands side by side",
       [](cxExportGridBanded& t) {
         t.AddBand("A");
         t.AddBand("B");
         t.AddColumn("a", 0);
         t.AddColumn("b", 0);
         t.AddColumn("c", 1);
         t.AddColumn("d", 1);
       },
       "0:A/2 2:B/2\n0:a 1:b 2:c 3:d\n0:a0 1:b0 2:c0 3:d0\n0:a1 1:b1 2:c1 3:d1\n",
       {60, 60, 60, 60}, 1, 2, "1111", "SetCellUnion 0 0 1 2"},
      {"two band rows",
       [](cxExportGridBanded& t) {
         t.AddBand("A");
         t.AddBand("B");
         t.AddColumn("a", 0);
         t.AddColumn("b", 0, 1);
         t.AddColumn("c", 1);
         t.view_->GetOptionsView()->SetGridLines(glHorizontal);
       },
       "0:A 1:B\n0:a 1:c\n0:b\n0:a0 1:c0\n0:b0\n0:a1 1:c1\n0:b1\n",
       {60, 60}, 0, 3, "0101", "SetCellDataString 0 4 b0"},
      {"a column of two lines",
       [](cxExportGridBanded& t) {
         t.AddBand("A");
         t.AddBand("B");
         t.AddColumn("a", 0)->Position()->SetLineCount(2);
         t.AddColumn("b", 1);
         t.AddColumn("c", 1, 1);
       },
       "0:A 1:B\n0:a 1:b\n1:c\n0:a0 1:b0\n1:c0\n0:a1 1:b1\n1:c1\n",
       {60, 60}, 0, 3, "1111", "SetCellUnion 0 3 2 1"},
      {"nested bands",
       [](cxExportGridBanded& t) {
         t.AddBand("P");
         t.AddBand("A", 0);
         t.AddBand("B", 0);
         t.AddBand("C");
         t.AddColumn("a", 1);
         t.AddColumn("b", 2);
         t.AddColumn("c", 3);
       },
       "0:P/2 2:C\n0:A 1:B\n0:a 1:b 2:c\n0:a0 1:b0 2:c0\n0:a1 1:b1 2:c1\n",
       {60, 60, 60}, 1, 3, "1111", "SetCellUnion 2 0 2 1"},
      {"band headers off",
       [](cxExportGridBanded& t) {
         t.AddBand("A");
         t.AddBand("B");
         t.AddColumn("a", 0);
         t.AddColumn("b", 1);
         t.view_->GetOptionsView()->SetBandHeaders(false);
       },
       "0:a 1:b\n0:a0 1:b0\n0:a1 1:b1\n",
       {60, 60}, 0, 1, "1111", "SetCellDataString 0 0 a"},
      // The layout widens the first band by the group indents: it covers the indent columns
      // (17 wide for their expand signs) and its own rest.
      {"a first band wider than the group indents",
       [](cxExportGridBanded& t) {
         t.AddBand("A")->SetWidth(10);
         t.AddBand("B");
         t.AddColumn("b", 1);
         for (Integer g = 0; g < 2; ++g) t.AddColumn("g" + IntToStr(g), 1)->SetGroupIndex(g);
       },
       "0:A/3 3:B/3\n3:b 4:g0 5:g1\n"
       "0:- 1:g0 : g00/5\n1:- 2:g1 : g10/4\n3:b0 4:g00 5:g10\n"
       "0:- 1:g0 : g01/5\n1:- 2:g1 : g11/4\n3:b1 4:g01 5:g11\n",
       {17, 17, 2, 60, 60, 60}, 3, 4, "1111", "SetCellUnion 0 0 1 3"},
      // Footer and group footer cells stand under their columns, across the band rows.
      {"footer and group footers",
       [](cxExportGridBanded& t) {
         t.AddBand("A");
         t.AddBand("B");
         t.AddColumn("g", 0)->SetGroupIndex(0);
         TcxGridBandedColumn* a = t.AddColumn("a", 0);
         t.AddColumn("b", 1);
         t.AddColumn("c", 1, 1);
         a->Summary()->SetFooterKind(skCount);
         a->Summary()->SetGroupFooterKind(skCount);
         t.view_->GetOptionsView()->SetFooter(true);
         t.view_->GetOptionsView()->SetGroupFooters(gfAlwaysVisible);
       },
       "0:A/3 3:B\n0:g/2 2:a 3:b\n3:c\n"
       "0:- 1:g : g0/3\n1:g0 2:a0 3:b0\n3:c0\n0:/2 2:1\n\n"
       "0:- 1:g : g1/3\n1:g1 2:a1 3:b1\n3:c1\n0:/2 2:1\n\n"
       "0:/2 2:2\n\n",
       {17, 61, 60, 60}, 2, 7, "0001", "SetCellDataString 2 13 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    c.build(*this);
    Fill(2);
    Show();
    TcxRecordingExportProvider* r = Record();
    EXPECT_EQ(r->Sheet(), c.sheet);
    EXPECT_EQ(ColumnWidths(r), c.widths);
    EXPECT_EQ(Frame(r, c.frameCol, c.frameRow), c.frame);
    EXPECT_TRUE(r->Logged(c.logged)) << c.logged;
    ExpectTextWriterWritesTheSameCells(r);
  }
}

// Without visible columns the sheet is one row of band headers. With nested bands the upper
// band header row lies outside that row: the text writers raise their row-index error and
// write no file; the recorder (a text provider too) raises the same error.
TEST_F(cxExportGridBanded, ViewsWithoutVisibleColumns) {
  AddBand("A");
  AddBand("B");
  Show();
  TcxRecordingExportProvider* r = Record();
  EXPECT_EQ(r->GetRowCount(), 1);
  EXPECT_EQ(r->Sheet(), "0:A 1:B\n");
  ExpectTextWriterWritesTheSameCells(r);

  AddBand("P");
  view_->Bands()->GetBand(0)->Position()->SetBandIndex(2);
  view_->Bands()->GetBand(1)->Position()->SetBandIndex(2);
  Relayout();
  ASSERT_EQ(BandsInfo()->GetBandHeaderRowCount(), 2);
  TTempFolder dir;
  for (Integer type : {cxExportToText, cxExportToHtml}) {
    SCOPED_TRACE(type);
    String file = dir.File(type == cxExportToText ? "grid.txt" : "grid.html");
    String error = ExportErrorOf(
        [&] { ExportGridToFile(file, type, grid_, true, true, false, "|", "", "", ""); });
    EXPECT_EQ(error.rfind("The row index", 0), 0u) << error;
    EXPECT_FALSE(std::filesystem::exists(file));
  }
  EXPECT_NE(ExportErrorOf([&] { Record(); }), "");
}

// The nested-band page read back by html5lib: band headers over their columns, then records.
// The page stays in <build>/sheets/export for a look.
TEST_F(cxExportGridBanded, PageReadByAnIndependentParser) {
  AddBand("Person");
  AddBand("Name", 0);
  AddBand("Place", 0);
  AddBand("Sum");
  AddColumn("First", 1);
  AddColumn("Last", 1);
  AddColumn("Town", 2);
  AddColumn("Street", 2, 1);
  AddColumn("Amount", 3);
  Fill(2);
  Show();
  String folder = testing_support::SheetPath("export");
  std::filesystem::create_directories(folder);
  TTempFolder dir;
  ExportGridToHtml(folder + "/banded.html", grid_, true, true, "");
  EXPECT_EQ(ReadHtmlTableRows(dir, folder + "/banded.html"),
            "Person/3 Sum\nName/2 Place\nFirst Last Town Amount\nStreet\nFirst0 Last0 Town0 Amount0\nStreet0\n"
            "First1 Last1 Town1 Amount1\nStreet1\n");
}



// Options that change the rows written: no header, a footer over no selected records, an empty
// view; every export ends without an error and the text writer writes the recorder's cells.
TEST_F(cxExportGridBanded, OptionsWithoutHeaderOrRecords) {
  AddBand("A");
  AddBand("B");
  AddColumn("a", 0);
  AddColumn("b", 1);
  AddColumn("c", 1, 1);
  struct Case {
    const char* what;
    bool header, footer, saveAll;
    Integer records;
  };
  for (const Case& c : {Case{"no header", false, false, true, 2}, Case{"footer, nothing selected", true, true, false, 2},
                        Case{"no header, footer, nothing selected", false, true, false, 2},
                        Case{"empty view", true, true, true, 0}}) {
    SCOPED_TRACE(c.what);
    view_->GetOptionsView()->SetHeader(c.header);
    view_->GetOptionsView()->SetFooter(c.footer);
    Fill(c.records);
    Relayout();
    TcxRecordingExportProvider::ClearCreated();
    EXPECT_EQ(ExportErrorOf([&] {
                ExportGridToFile("banded.txt", cxExportToRecorder, grid_, true, c.saveAll, false, "", "", "", "");
              }),
              "");
    TcxRecordingExportProvider* r = TcxRecordingExportProvider::Created().back().get();
    TTempFolder dir;
    ExportGridToFile(dir.File("grid.txt"), cxExportToText, grid_, true, c.saveAll, false, "|", "", "", "");
    EXPECT_EQ(ReadWholeFile(dir.File("grid.txt")), TextLines(r));
  }
}

}  // namespace
