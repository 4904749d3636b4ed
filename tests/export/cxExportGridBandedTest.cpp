// The banded table view exporter: band headers over the column headers (nested ones above
// their children), records over several sheet rows, a column of two lines, band edges, a first
// band narrower than the group indents; views without visible columns; each configuration
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
       "", {}, 1, 2, ""},
      {"two band rows",
       [](cxExportGridBanded& t) {
         t.AddBand("A");
         t.AddBand("B");
         t.AddColumn("a", 0);
         t.AddColumn("b", 0, 1);
         t.AddColumn("c", 1);
       },
       "", {}, 0, 3, ""},
      {"a column of two lines",
       [](cxExportGridBanded& t) {
         t.AddBand("A");
         t.AddBand("B");
         t.AddColumn("a", 0)->Position()->SetLineCount(2);
         t.AddColumn("b", 1);
         t.AddColumn("c", 1, 1);
       },
       "", {}, 0, 3, ""},
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
       "", {}, 1, 3, ""},
      {"band headers off",
       [](cxExportGridBanded& t) {
         t.AddBand("A");
         t.AddBand("B");
         t.AddColumn("a", 0);
         t.AddColumn("b", 1);
         t.view_->GetOptionsView()->SetBandHeaders(false);
       },
       "", {}, 0, 1, ""},
      {"a first band narrower than the group indents",
       [](cxExportGridBanded& t) {
         t.AddBand("A");
         t.AddBand("B");
         t.AddColumn("a", 0)->SetWidth(20);
         t.AddColumn("g", 1)->SetGroupIndex(0);
         t.AddColumn("h", 1)->SetGroupIndex(1);
         t.AddColumn("b", 1);
       },
       "", {}, 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    c.build(*this);
    Fill(2);
    Show();
    TcxRecordingExportProvider* r = Record();
    std::printf("---- %s\n%s", c.what, r->Sheet().c_str());
    for (Integer w : ColumnWidths(r)) std::printf("%d ", int(w));
    std::printf("\nframe %s\n", Frame(r, c.frameCol, c.frameRow).c_str());
    EXPECT_EQ(r->Sheet(), c.sheet);
    if (!c.widths.empty()) EXPECT_EQ(ColumnWidths(r), c.widths);
    EXPECT_EQ(Frame(r, c.frameCol, c.frameRow), c.frame);
    ExpectTextWriterWritesTheSameCells(r);
  }
}

}  // namespace
