// The program's roads, headless: the three windows read from their descriptions, import
// (confirmed, cancelled, failing, bad files), Fitting, the summary-type road with the format
// sample, the export road with its dialogs, About and Exit.
#include <gtest/gtest.h>

#include <filesystem>

#include "AppTestSupport.h"
#include "gridviews/cxGridRows.h"
#include "rtl/SysUtils.h"

namespace {

using apptest::AppFixture;
using apptest::MixedCsv;

// ---- the windows as their descriptions make them ---------------------------------------------

TEST_F(AppFixture, TheMainWindowIsMadeFromItsDescription) {
  TForm1& f = *form;
  EXPECT_EQ(f.Caption(), "Korvan for CSV");
  EXPECT_EQ(f.Width(), 696);
  EXPECT_EQ(f.Height(), 521);
  EXPECT_EQ(f.Font()->Name(), "ＭＳ Ｐゴシック");
  EXPECT_EQ(f.cxPageControl1->ActivePageIndex(), 0);
  EXPECT_EQ(f.tbsGrouping->Caption(), "Grouping Matrix");
  EXPECT_EQ(f.tbsPivot->Caption(), "Pivot Matrix");
  EXPECT_EQ(f.cxPageControl1->LookAndFeel()->Kind(), lfUltraFlat);
  EXPECT_EQ(f.glvGrouping->GridView(), f.grvGrouping);
  EXPECT_EQ(f.grvGrouping->GetDataController()->DataSource(), f.dsrView);
  EXPECT_EQ(f.grvGrouping->GetStyles()->StyleSheet(), f.cxGridTableViewStyleSheet1);
  EXPECT_FALSE(f.grvGrouping->NavigatorButtons()->ConfirmDelete());
  EXPECT_EQ(f.grdPivot->DataSource(), f.dsrView);
  EXPECT_EQ(f.grdPivot->PopupMenu(), f.mnuGrid);
  EXPECT_EQ(f.grdPivot->Styles()->StyleSheet(), f.cxPivotGridStyleSheet1);
  EXPECT_TRUE(f.grdPivot->OnFieldPosChanged != nullptr);
  EXPECT_EQ(f.dsrView->DataSet(), f.tblData);
  EXPECT_EQ(f.tblData->CursorType(), ctStatic);
  EXPECT_EQ(f.tblData->LockType(), ltReadOnly);
  EXPECT_EQ(f.tblData->MaxRecords(), 100);
  EXPECT_FALSE(f.tblData->Active());
  EXPECT_EQ(f.dlgOpenFile->Filter(), "CSV files (*.csv)|*.csv|All files (*.*)|*.*");
  EXPECT_EQ(f.dlgOpenFile->Title(), "Select file to import");
  EXPECT_EQ(f.dlgSaveFile->DefaultExt(), "html");
  EXPECT_EQ(f.dlgSaveFile->Filter(),
            "HTML file (*.html)|*.html|Microsoft Excel file (*.xls)|*.xls|General XML Datapacket file (*.xml)|*.xml|"
            "ANSI Text file (*.txt)|*.txt");
  EXPECT_EQ(f.ApplyBestFit1->Caption(), "Apply Best Fit");
  EXPECT_EQ(f.StatusBar1->Height(), 19);
  EXPECT_EQ(f.Image1->Picture()->Width(), 686);
  // The five buttons: captions, places, anchors, face colours and glyphs.
  struct Button {
    TcxButton* B;
    const char* Caption;
    Integer Left;
    bool Right;
  } buttons[] = {{f.cxButton18, "&Import", 5, false},
                 {f.cxButton12, "&Fitting", 368, true},
                 {f.cxButton16, "&Export", 444, true},
                 {f.cxButton7, "&About", 528, false},
                 {f.cxButton13, "&Exit", 604, true}};
  for (const Button& b : buttons) {
    EXPECT_EQ(b.B->Caption(), b.Caption);
    EXPECT_EQ(b.B->Left(), b.Left) << b.Caption;
    EXPECT_EQ(b.B->Anchors().Contains(akRight), b.Right) << b.Caption;
    EXPECT_EQ(b.B->Colors()->Normal(), clBtnHighlight);
    EXPECT_EQ(b.B->Colors()->Hot(), TColor(8454143));
    EXPECT_EQ(b.B->Glyph()->Width(), 16) << b.Caption;
  }
  // The styles and the two sheets.
  TcxStyleParams p;
  EXPECT_EQ(f.cxStyle1->Color(), clGreen);
  EXPECT_EQ(f.cxStyle1->TextColor(), clWhite);
  EXPECT_EQ(f.cxStyle2->Color(), TColor(14089446));
  EXPECT_EQ(f.cxStyle3->Color(), TColor(10485760));
  EXPECT_EQ(f.cxStyle4->Color(), TColor(16768991));
  EXPECT_EQ(f.cxGridTableViewStyleSheet1->Styles()->ContentOdd(), f.cxStyle2);
  EXPECT_EQ(f.cxGridTableViewStyleSheet1->Styles()->GroupByBox(), f.cxStyle1);
  EXPECT_EQ(f.cxPivotGridStyleSheet1->Styles()->FilterHeaderArea(), f.cxStyle3);
  EXPECT_EQ(f.cxPivotGridStyleSheet1->Styles()->ColumnHeaderArea(), f.cxStyle4);
}

TEST_F(AppFixture, TheDialogsAreMadeFromTheirDescriptions) {
  auto* summary = CreateForm<T_SummaryTypeEditor>(form);
  EXPECT_EQ(summary->Caption(), "Set Summary Type");
  EXPECT_EQ(summary->BorderStyle(), bsDialog);
  EXPECT_EQ(summary->ClientWidth(), 201);
  EXPECT_EQ(summary->ClientHeight(), 252);
  EXPECT_EQ(summary->rdgSummaryType->Caption(), "Summary Type");
  EXPECT_EQ(summary->rdgSummaryType->ItemIndex(), 0);
  auto* items = summary->rdgSummaryType->Properties()->Items();
  ASSERT_EQ(items->Count(), 5);
  const char* kinds[] = {"Average", "Sum", "Count", "Min", "Max"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(items->Item(i)->Caption(), kinds[i]);
  EXPECT_EQ(summary->cxGroupBox1->Caption(), "Use Diplay Format");
  EXPECT_EQ(summary->Label1->Caption(), "Test: ");
  EXPECT_EQ(summary->edtDisplayFormat->Text(), "");
  EXPECT_EQ(summary->cxButton1->Caption(), "&OK");
  summary->Free();

  auto* wizard = CreateForm<TForm3>(form);
  EXPECT_EQ(wizard->Caption(), "Export Wizard");
  EXPECT_EQ(wizard->ClientWidth(), 315);
  EXPECT_EQ(wizard->ClientHeight(), 158);
  EXPECT_EQ(wizard->rdgExportType->Caption(), "Export to ...");
  EXPECT_EQ(wizard->rdgExportType->Properties()->Items()->Count(), 4);
  EXPECT_TRUE(wizard->rdgExportType->Properties()->ReadOnly());
  EXPECT_EQ(wizard->cxButton4->Caption(), "&Save");
  EXPECT_EQ(wizard->cxButton4->Left(), 160);
  EXPECT_EQ(wizard->cxButton19->Caption(), "&Aboat");
  EXPECT_EQ(wizard->cxButton19->Left(), 76);
  wizard->Free();
}

// "&About" has no right anchor: when the window widens, the anchored buttons move right and
// "&Export" slides over it.
TEST_F(AppFixture, AboutStaysWhileTheAnchoredButtonsFollowTheRightEdge) {
  form->SetWidth(form->Width() + 100);
  Pump();
  EXPECT_EQ(form->cxButton7->Left(), 528);
  EXPECT_EQ(form->cxButton16->Left(), 544);
  EXPECT_EQ(form->cxButton13->Left(), 704);
  EXPECT_LT(form->cxButton16->Left(), form->cxButton7->Left() + form->cxButton7->Width());
}

TEST_F(AppFixture, AClickOnATabShowsItsPage) {
  Import(WriteFile("mixed.csv", MixedCsv(3)));
  TRect tab = form->cxPageControl1->Tabs()->Tabs(1)->FullRect();
  S().Click(form->cxPageControl1->Handle(), Center(tab));
  EXPECT_EQ(form->cxPageControl1->ActivePageIndex(), 1);
}

// ---- import ----------------------------------------------------------------------------------

TEST_F(AppFixture, ImportReadsTheFileIntoBothViews) {
  String path = WriteFile("mixed.csv", MixedCsv(12));
  Import(path);
  ASSERT_TRUE(messages.empty()) << messages.front();
  EXPECT_EQ(fileDialogs, std::vector<String>{"Select file to import"});
  EXPECT_EQ(form->tblData->ConnectionString(),
            "Provider=MSDASQL;Extended Properties=\"DRIVER={Microsoft Text Driver (*.txt; *.csv)};DBQ=" + dir.Path() +
                "\"");
  EXPECT_EQ(Trim(form->tblData->SQL()->Text()), "SELECT TOP 100 * FROM mixed.csv");
  ASSERT_TRUE(form->tblData->Active());
  EXPECT_EQ(form->tblData->RecordCount(), 12);
  EXPECT_FALSE(form->tblData->ControlsDisabled());
  // The field kinds the query guessed.
  const TFieldType kinds[] = {ftInteger, ftFloat, ftDateTime, ftString, ftMemo, ftString};
  ASSERT_EQ(form->tblData->FieldCount(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(form->tblData->Fields()->Fields(i)->DataType(), kinds[i]) << i;
  // One column and one pivot field per field, the fields in the filter area.
  ASSERT_EQ(form->grvGrouping->GetColumnCount(), 6);
  EXPECT_EQ(form->grvGrouping->GetColumn(5)->Caption(), "品名");
  EXPECT_EQ(form->grvGrouping->GetViewData()->GetRowCount(), 12);
  ASSERT_EQ(form->grdPivot->FieldCount(), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(form->grdPivot->Fields(i)->Area(), faFilter);
    EXPECT_TRUE(form->grdPivot->Fields(i)->Visible());
  }
  EXPECT_EQ(PivotField("品名")->Caption(), "品名");
}

TEST_F(AppFixture, ImportReadsTheFirstHundredRecords) {
  Import(WriteFile("long.csv", MixedCsv(150)));
  EXPECT_EQ(form->tblData->RecordCount(), 100);
  EXPECT_EQ(form->grvGrouping->GetViewData()->GetRowCount(), 100);
}

TEST_F(AppFixture, CancellingTheFirstImportLeavesBothViewsEmpty) {
  Import("");
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(form->tblData->Active());
  EXPECT_FALSE(form->tblData->ControlsDisabled());
  EXPECT_EQ(form->grvGrouping->GetColumnCount(), 0);
  EXPECT_EQ(form->grdPivot->FieldCount(), 0);
}

TEST_F(AppFixture, CancellingALaterImportRebuildsTheViewsFromTheFileBefore) {
  Import(WriteFile("mixed.csv", MixedCsv(5)));
  ShowPage(1);
  DropIntoData(PivotField("Price"), 1, "");
  EXPECT_EQ(PivotField("Price")->Caption(), "Price(Sum)");
  Import("");
  EXPECT_TRUE(form->tblData->Active());
  EXPECT_EQ(form->grvGrouping->GetColumnCount(), 6);
  ASSERT_EQ(form->grdPivot->FieldCount(), 6);
  // New fields: the earlier settings are gone.
  EXPECT_EQ(PivotField("Price")->Area(), faFilter);
  EXPECT_EQ(PivotField("Price")->Caption(), "Price");
}

// A file the query cannot read: the message reaches the user through the application's
// handler, the clean-up ran (controls enabled, views rebuilt from the closed query) and the
// next import works.
TEST_F(AppFixture, AFailedImportCleansUpAndTheProgramGoesOn) {
  Import(WriteFile("good.csv", MixedCsv(3)));
  ASSERT_EQ(form->grdPivot->FieldCount(), 6);
  String wide;
  for (int i = 0; i < 300; ++i) wide += (i ? ",C" : "C") + IntToStr(i);
  struct Case {
    const char* Name;
    String Path;
  } cases[] = {{"missing file", dir.File("missing.csv")},
               {"more columns than the query reads", WriteFile("wide.csv", wide + "\r\n")},
               {"a folder", dir.Path()}};
  for (const Case& c : cases) {
    messages.clear();
    Import(c.Path);
    ASSERT_EQ(messages.size(), 1u) << c.Name;
    EXPECT_FALSE(messages[0].empty());
    EXPECT_FALSE(form->tblData->Active()) << c.Name;
    EXPECT_FALSE(form->tblData->ControlsDisabled()) << c.Name;
    EXPECT_EQ(form->grvGrouping->GetColumnCount(), 0) << c.Name;
    EXPECT_EQ(form->grdPivot->FieldCount(), 0) << c.Name;
    form->grdPivot->Invalidate();
    Pump();
  }
  messages.clear();
  Import(WriteFile("again.csv", MixedCsv(4)));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(form->tblData->RecordCount(), 4);
  EXPECT_EQ(form->grdPivot->FieldCount(), 6);
}

// Malformed files import by the query's rules or fail with its message; either way the window
// stays usable.
TEST_F(AppFixture, MalformedFilesImportByTheQuerysRulesOrFailWithItsMessage) {
  struct Case {
    const char* Name;
    String Bytes;
    bool Imports;
    Integer Records;
  } cases[] = {{"ragged rows", "A,B,C\r\n1,2\r\n3,4,5,6\r\n7,8,9\r\n", true, 3},
               {"unterminated quote", "A,B\r\n1,\"open\r\n2,3\r\n", false, 0},
               {"invalid bytes", String("A,B\r\n1,\xff\xfe\x80x\r\n2,y\r\n"), false, 0}};
  for (const Case& c : cases) {
    messages.clear();
    Import(WriteFile(String("bad") + IntToStr(&c - cases) + ".csv", c.Bytes));
    EXPECT_EQ(form->tblData->Active(), c.Imports) << c.Name << (messages.empty() ? "" : ": " + messages[0]);
    EXPECT_EQ(messages.empty(), c.Imports) << c.Name;
    if (c.Imports) {
      EXPECT_EQ(form->tblData->RecordCount(), c.Records) << c.Name;
    }
    EXPECT_FALSE(form->tblData->ControlsDisabled());
    form->Invalidate();
    Pump();
  }
  messages.clear();
  Import(WriteFile("fine.csv", MixedCsv(2)));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(form->tblData->RecordCount(), 2);
}

// ---- the pivot grid: summary types, captions, display formats ---------------------------------

TEST_F(AppFixture, ADropIntoTheDataAreaAsksForTheSummaryTypeAndMarksTheCaption) {
  Import(WriteFile("mixed.csv", MixedCsv(6)));
  ShowPage(1);
  TcxPivotGridField* price = PivotField("Price");
  DropIntoData(price, 4, "");
  EXPECT_EQ(summaryDialogs, 1);
  EXPECT_EQ(price->Area(), faData);
  EXPECT_EQ(price->SummaryType(), stMax);
  EXPECT_EQ(price->DisplayFormat(), "");
  EXPECT_EQ(price->Caption(), "Price(Max)");
  // Every summary type and its suffix; a drop inside the data area replaces the suffix.
  TcxPivotGridField* id = PivotField("ID");
  DropIntoData(id, 0, "");
  const char* suffixes[] = {"(Average)", "(Sum)", "(Count)", "(Min)", "(Max)"};
  const TcxPivotGridSummaryType types[] = {stAverage, stSum, stCount, stMin, stMax};
  for (int i = 0; i < 5; ++i) {
    TRect other = price->GetHeaderViewInfo()->Bounds;
    bool before = id->AreaIndex() > price->AreaIndex();
    DropIntoData(id, i, "", before ? POINT{other.Left + 3, (other.Top + other.Bottom) / 2}
                                   : POINT{other.Right - 3, (other.Top + other.Bottom) / 2});
    EXPECT_EQ(id->SummaryType(), types[i]);
    EXPECT_EQ(id->Caption(), String("ID") + suffixes[i]);
  }
  EXPECT_EQ(summaryDialogs, 7);
  // Out of the data area: no dialog, every suffix removed wherever it stands.
  id->SetCaption("(Sum)ID (Count)(Max)");
  DragField(id, Center(PivotAreaRect(faRow)));
  EXPECT_EQ(id->Area(), faRow);
  EXPECT_EQ(id->Caption(), "ID ");
  EXPECT_EQ(summaryDialogs, 7);
  // A drag end without a field does nothing.
  form->grdPivotFieldPosChanged(form->grdPivot, nullptr);
  EXPECT_EQ(summaryDialogs, 7);
}

// The sample of the format pattern, and a pattern the formatter rejects: the message, an empty
// sample, the format stored anyway, and cells that show their values as without a format.
TEST_F(AppFixture, TheDisplayFormatSampleAcceptsAndRejectsPatterns) {
  Import(WriteFile("mixed.csv", MixedCsv(4)));
  ShowPage(1);
  TcxPivotGridField* price = PivotField("Price");
  DropIntoData(price, 1, "  #,##0.00  ");
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(sample, FormatFloat("#,##0.00", 9999999.5555));
  EXPECT_EQ(sample, "9,999,999.56");
  EXPECT_EQ(price->DisplayFormat(), "#,##0.00");

  TcxPivotGridField* id = PivotField("ID");
  for (const char* bad : {"0;0;0;0", "0.0'unclosed"}) {
    messages.clear();
    DropIntoData(id, 1, bad, Center(PivotAreaRect(faData)));
    ASSERT_EQ(messages.size(), 1u) << bad;
    EXPECT_EQ(messages[0], SInvalidDisplayFormat);
    EXPECT_EQ(sample, "");
    EXPECT_EQ(id->DisplayFormat(), bad);
    // The grid paints without raising, the sums as without a format.
    form->grdPivot->Invalidate();
    Pump();
    EXPECT_EQ(messages.size(), 1u);
    TcxPivotGridCells& cells = PivotLayout()->DataCells;
    bool found = false;
    for (int i = 0; i < cells.Count(); ++i)
      if (auto* c = static_cast<TcxPivotGridDataCellViewInfo*>(cells[i]); c->DataField() == id) {
        found = true;
        EXPECT_EQ(c->DisplayText, "10");  // 1 + 2 + 3 + 4
      }
    EXPECT_TRUE(found);
    // Leave the data area for the next round.
    DragField(id, Center(PivotAreaRect(faFilter)));
  }
}

// A pivot field whose data-set field is gone (the query closed): painting, Fitting, moving
// fields and the export do not fail.
TEST_F(AppFixture, NoRoadFailsWhenThePivotFieldsLoseTheirDataSetFields) {
  Import(WriteFile("mixed.csv", MixedCsv(4)));
  ShowPage(1);
  DropIntoData(PivotField("Price"), 1, "0.0");
  form->tblData->Close();
  form->Invalidate();
  Pump();
  ClickOn(form->cxButton12);
  DragField(PivotField("City"), Center(PivotAreaRect(faRow)));
  Export(dir.File("closed.html"));
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_EQ(PivotField("City")->Caption(), "City");
}

// ---- fitting -----------------------------------------------------------------------------------

// The import fits the grouping grid's columns to the records read (not to the headers alone);
// Fitting and the popup item fit them again after they were narrowed.
TEST_F(AppFixture, ImportFittingAndThePopupItemFitTheGroupingColumnsToTheirTexts) {
  String text = "ID,City,Remark\r\n";
  for (int i = 1; i <= 5; ++i) text += IntToStr(i * 1000003) + ",Llanfairpwllgwyngyll " + IntToStr(i) + ",ok\r\n";
  Import(WriteFile("wide.csv", text));
  ExpectGroupingColumnsFitTheirTexts("import");
  auto narrow = [this] {
    for (Integer i = 0; i < form->grvGrouping->GetColumnCount(); ++i) form->grvGrouping->GetColumn(i)->SetWidth(20);
  };
  narrow();
  ClickOn(form->cxButton12);
  ExpectGroupingColumnsFitTheirTexts("Fitting");
  narrow();
  form->ApplyBestFit1->Click();
  ExpectGroupingColumnsFitTheirTexts("popup item");
}

TEST_F(AppFixture, FittingAndThePopupItemFitThePivotFields) {
  Import(WriteFile("mixed.csv", MixedCsv(4)));
  ShowPage(1);
  TcxPivotGridField* city = PivotField("City");
  DragField(city, Center(PivotAreaRect(faRow)));
  city->SetWidth(300);
  ClickOn(form->cxButton12);
  EXPECT_LT(city->Width(), 300);
  Integer fitted = city->Width();
  city->SetWidth(300);
  form->ApplyBestFit1->Click();
  EXPECT_EQ(city->Width(), fitted);
  EXPECT_TRUE(messages.empty());
}

// ---- export ------------------------------------------------------------------------------------

TEST_F(AppFixture, ThePivotPageExportsHtmlWhateverExtensionWasChosen) {
  Import(WriteFile("mixed.csv", MixedCsv(4)));
  ShowPage(1);
  DropIntoData(PivotField("Price"), 1, "");
  Export(dir.File("report.xls"));
  EXPECT_EQ(exportDialogs, 1);
  EXPECT_EQ(fileDialogs.back(), "Export file name");
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_TRUE(confirmations.empty());
  EXPECT_FALSE(FileExists(dir.File("report.xls")));
  ASSERT_TRUE(FileExists(dir.File("report.html")));
  String page = ReadWholeFile(dir.File("report.html"));
  EXPECT_NE(page.find("Price(Sum)"), String::npos);
  EXPECT_NE(page.find("31.00"), String::npos);  // 3.25 + 6.25 + 9.25 + 12.25
}

TEST_F(AppFixture, CancellingEitherDialogExportsNothingOnEitherPage) {
  Import(WriteFile("mixed.csv", MixedCsv(4)));
  for (Integer page : {0, 1}) {
    ShowPage(page);
    size_t asked = fileDialogs.size();
    int wizards = exportDialogs;
    Export(dir.File("a.html"), false);  // "&Aboat"
    EXPECT_EQ(exportDialogs, wizards + 1) << page;
    EXPECT_EQ(fileDialogs.size(), asked) << page;  // no save dialog
    files.clear();
    Export("");  // the save dialog cancelled
    EXPECT_EQ(fileDialogs.size(), asked + 1) << page;
    EXPECT_FALSE(FileExists(dir.File("a.html"))) << page;
    EXPECT_TRUE(messages.empty()) << page;
  }
}

// report.xls chosen while report.html exists: the export asks before replacing the other file;
// No leaves it as it was.
TEST_F(AppFixture, AnExistingHtmlFileOtherThanTheChosenOneIsReplacedOnlyWhenTheUserAgrees) {
  Import(WriteFile("mixed.csv", MixedCsv(4)));
  ShowPage(1);
  String html = WriteFile("report.html", "keep me");
  confirmAnswer = mrNo;
  Export(dir.File("report.xls"));
  ASSERT_EQ(confirmations.size(), 1u);
  EXPECT_NE(confirmations[0].find(html), String::npos);
  EXPECT_EQ(ReadWholeFile(html), "keep me");
  confirmAnswer = mrYes;
  Export(dir.File("report.xls"));
  EXPECT_EQ(confirmations.size(), 2u);
  EXPECT_NE(ReadWholeFile(html), "keep me");
  // The chosen file itself is not asked about again.
  Export(html);
  EXPECT_EQ(confirmations.size(), 2u);
}

TEST_F(AppFixture, TheExportDialogsChoiceStaysOnItsFirstItem) {
  TForm3* seen = nullptr;
  Integer index = -1;
  files.push_back("");
  SetDialogShowHook([&](TCustomForm* d) {
    seen = dynamic_cast<TForm3*>(d);
    S().Backend().OnIdle([&] {
      TcxRadioGroup* g = seen->rdgExportType;
      // A click on the third button.
      S().Click(g->Handle(), {30, g->Height() * 3 / 5});
      index = g->ItemIndex();
      ClickOn(seen->cxButton4);
    });
  });
  ClickOn(form->cxButton16);
  SetDialogShowHook(nullptr);
  ASSERT_NE(seen, nullptr);
  EXPECT_EQ(index, 0);
}

TEST_F(AppFixture, AnExportIntoAFolderThatCannotBeWrittenShowsTheError) {
  Import(WriteFile("mixed.csv", MixedCsv(4)));
  ShowPage(1);
  Export(dir.File("no/such/folder/out.html"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_FALSE(messages[0].empty());
  // The window goes on: a later export works.
  messages.clear();
  Export(dir.File("out.html"));
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(FileExists(dir.File("out.html")));
}

// The grouping page exports its table view as HTML, whatever extension was chosen.
TEST_F(AppFixture, TheGroupingPageExportsItsTableAsHtml) {
  Import(WriteFile("mixed.csv", MixedCsv(4)));
  Export(dir.File("grid.xls"));
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_FALSE(FileExists(dir.File("grid.xls")));
  ASSERT_TRUE(FileExists(dir.File("grid.html")));
  String html = ReadWholeFile(dir.File("grid.html"));
  EXPECT_NE(html.find(form->grvGrouping->GetColumn(0)->Caption()), String::npos);
}

// ---- about and exit ------------------------------------------------------------------------------

TEST_F(AppFixture, AboutShowsTheFixedTextAndExitClosesTheWindow) {
  ClickOn(form->cxButton7);
  ASSERT_EQ(messages.size(), 1u);
  std::vector<String> lines;
  String text = messages[0];
  for (size_t at = 0;;) {
    size_t end = text.find("\r\n", at);
    lines.push_back(text.substr(at, end == String::npos ? String::npos : end - at));
    if (end == String::npos) break;
    at = end + 2;
  }
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], "Korvan for CSV");
  EXPECT_NE(lines[1].find("1.0.0"), String::npos);
  for (int i : {2, 6, 9}) EXPECT_EQ(lines[size_t(i)], String(45, '-'));
  EXPECT_EQ(lines[4].rfind("・", 0), 0u);
  EXPECT_NE(lines[4].find("100"), String::npos);
  EXPECT_EQ(lines[5].rfind("・", 0), 0u);
  EXPECT_NE(lines[5].find("HTML"), String::npos);

  ClickOn(form->cxButton13);
  EXPECT_FALSE(form->Visible());
}

// The program's end after a session: the windows go before the units' shared objects, so the
// grid's columns and the pivot grid's fields do not reach freed editor defaults (the program
// crashed or hung on Exit after an import). Run in a child process: it finalizes every unit.
TEST_F(AppFixture, TheProgramEndsCleanlyAfterASession) {
  const std::string savedStyle = testing::FLAGS_gtest_death_test_style;
  testing::FLAGS_gtest_death_test_style = "threadsafe";
  EXPECT_EXIT(
      {
        Import(WriteFile("mixed.csv", MixedCsv(5)));
        ShowPage(1);
        DropIntoData(PivotField("Price"), 1, "0.00");
        ClickOn(form->cxButton13);
        form = nullptr;
        FinishKorvanApp();
        std::_Exit(messages.empty() ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
  testing::FLAGS_gtest_death_test_style = savedStyle;
}

// ---- pictures ------------------------------------------------------------------------------------

TEST_F(AppFixture, SheetsOfTheWindowsAfterAnImport) {
  Import(testing_support::SamplePath("sales.csv"));
  ASSERT_TRUE(messages.empty()) << messages.front();
  ShowPage(0);
  S().Snapshot(form->Handle(), "app_main_grouping.png");
  ShowPage(1);
  DragField(PivotField("Region"), Center(PivotAreaRect(faRow)));
  DragField(PivotField("Product"), Center(PivotAreaRect(faColumn)));
  SetDialogShowHook([this](TCustomForm* d) {
    auto* dlg = static_cast<T_SummaryTypeEditor*>(d);
    dlg->rdgSummaryType->SetItemIndex(1);
    dlg->edtDisplayFormat->SetText("#,##0");
    dlg->edtDisplayFormat->SetFocus();
    S().Backend().OnIdle([this, dlg] {
      dlg->cxButton1->SetFocus();
      Pump();
      S().Snapshot(dlg->Handle(), "app_summary_dialog.png");
      ClickOn(dlg->cxButton1);
    });
  });
  DragField(PivotField("Quantity"), Center(PivotAreaRect(faData)));
  SetDialogShowHook(nullptr);
  ClickOn(form->cxButton12);
  S().Snapshot(form->Handle(), "app_main_pivot.png");
  files.push_back("");
  SetDialogShowHook([this](TCustomForm* d) {
    auto* dlg = static_cast<TForm3*>(d);
    S().Backend().OnIdle([this, dlg] {
      Pump();
      S().Snapshot(dlg->Handle(), "app_export_dialog.png");
      ClickOn(dlg->cxButton19);
    });
  });
  ClickOn(form->cxButton16);
  SetDialogShowHook(nullptr);
  EXPECT_TRUE(messages.empty());
}

}  // namespace
