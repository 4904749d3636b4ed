// The cell cache and the HTML writer: golden pages, a table of sheets with the fragments they
// must produce, an independent HTML parser reading a page back, and the errors.
#include <cstdio>
#include <functional>

#include "ExportTestSupport.h"
#include "vcl/Graphics.h"

namespace {

const String kHead1 = "<HTML>\r\n<HEAD>\r\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">\r\n";

// The page of a sheet without style rules, around the given table rows.
String Page(const String& title, const String& table) {
  return kHead1 + "<TITLE>" + title + "</TITLE>\r\n<STYLE TYPE=\"text/css\"><!--\r\n--></STYLE>\r\n</HEAD>\r\n<BODY>\r\n" +
         table + "</BODY>\r\n</HTML>";
}

TEST(cxHtmlExport, TwoByTwoSheetWithoutStyles) {
  TTempFolder dir;
  String file = dir.File("two.html");
  auto p = MakeProvider(cxExportToHtml, file);
  p->SetRange(2, 2, true);
  p->SetColumnWidth(0, 50);
  p->SetColumnWidth(1, 70);
  p->SetRowHeight(0, 20);
  p->SetRowHeight(1, 20);
  p->SetCellDataString(0, 0, "a");
  p->SetCellDataString(1, 0, "b");
  p->SetCellDataString(0, 1, "c");
  p->SetCellDataString(1, 1, "d");
  p->Commit();
  String td = "<TD NOWRAP ALIGN=CENTER CLASS=Style-1 HEIGHT=20px>";
  EXPECT_EQ(ReadWholeFile(file),
            Page(file,
                 "<TABLE BORDER=0 CELLSPACING=0 WIDTH=120>\r\n"
                 "<TR>\r\n<TD  WIDTH=50 HEIGHT=0></TD>\r\n<TD  WIDTH=70 HEIGHT=0></TD>\r\n</TR>\r\n"
                 "<TR>\r\n" + td + "a</TD>\r\n" + td + "b</TD>\r\n</TR>\r\n"
                 "<TR>\r\n" + td + "c</TD>\r\n" + td + "d</TD>\r\n</TR>\r\n"
                 "</TABLE>\r\n"));
}

TEST(cxHtmlExport, StyleRuleGolden) {
  TTempFolder dir;
  String file = dir.File("rule.html");
  auto p = MakeProvider(cxExportToHtml, file);
  p->SetRange(1, 1, false);
  TcxCacheCellStyle s = SampleStyle(9);
  s.AlignText = catRight;
  s.FontStyle = cfsBold | cfsItalic | cfsUnderline | cfsStrikeOut;
  s.FontColor = 0x0000FF;
  s.FontCharset = 128;
  s.BrushBkColor = 0x102030;
  s.Borders[0] = {0, 2, 0x00FF00};
  s.Borders[1] = {1, 5, 0x00FF00};  // is-default: width and colour 0
  s.Borders[2] = {0, 0, 0xFF0000};
  s.Borders[3] = {0, 1, 0x808080};
  p->SetCellStyle(0, 0, s);
  p->SetCellDataInteger(0, 0, 42);
  p->Commit();
  String page = ReadWholeFile(file);
  EXPECT_NE(page.find("<STYLE TYPE=\"text/css\"><!--\r\n"
                      ".Style0 { border-style: solid; padding: 3; border-left-width: 2; border-top-width: 0;"
                      " border-right-width: 0; border-bottom-width: 1; border-left-color: rgb(0,255,0);"
                      " border-top-color: rgb(0,0,0); border-right-color: rgb(0,0,255);"
                      " border-bottom-color: rgb(128,128,128); font-family: 'Arial'; mso-font-charset: 128;"
                      " font-weight: bold; font-style: italic; text-decoration: underline;"
                      " text-decoration: line-through; font-size: 9pt; color: rgb(255,0,0);"
                      " background-color: rgb(48,32,16)}\r\n\r\n--></STYLE>"),
            String::npos)
      << page;
  EXPECT_NE(page.find("<TD NOWRAP ALIGN=RIGHT CLASS=Style0 HEIGHT=0px>42</TD>"), String::npos);
}

// One sheet per case: what the link does, then fragments the page must hold and must not hold.
struct THtmlCase {
  const char* name;
  Integer cols, rows;
  std::function<void(IcxExportProvider& p, const TTempFolder& dir, const String& file)> fill;
  std::vector<String> present;
  std::vector<String> absent;
};

TEST(cxHtmlExport, SheetsGiveTheirFragments) {
  const THtmlCase cases[] = {
      {"widths and heights", 3, 2,
       [](IcxExportProvider& p, const TTempFolder&, const String&) {
         p.SetColumnWidth(0, 10);
         p.SetColumnWidth(2, 30);
         p.SetRowHeight(1, 17);
         p.SetCellDataString(1, 1, "x");
       },
       {"WIDTH=40>\r\n", "<TD  WIDTH=10 HEIGHT=0></TD>\r\n<TD  WIDTH=0 HEIGHT=0></TD>\r\n<TD  WIDTH=30 HEIGHT=0>",
        "CLASS=Style-1 HEIGHT=17px>x</TD>", "CLASS=Style-1 HEIGHT=0px>&nbsp</TD>"},
       {}},
      {"merged range clamped at the edges", 2, 2,
       [](IcxExportProvider& p, const TTempFolder&, const String&) {
         p.SetCellUnion(0, 0, 2, 3);
         p.SetCellDataString(0, 0, "m");
         p.SetCellDataString(1, 1, "hidden");
       },
       {"<TR>\r\n<TD COLSPAN=2 ROWSPAN=2 NOWRAP ALIGN=CENTER CLASS=Style-1 HEIGHT=0px>m</TD>\r\n</TR>\r\n<TR>\r\n</TR>\r\n"},
       {"hidden"}},
      {"span of one column is not written", 3, 3,
       [](IcxExportProvider& p, const TTempFolder&, const String&) { p.SetCellUnion(2, 0, 3, 1); },
       {"<TD ROWSPAN=3 NOWRAP"},
       {"COLSPAN"}},
      {"escaping and line breaks", 1, 1,
       [](IcxExportProvider& p, const TTempFolder&, const String&) {
         p.SetCellDataString(0, 0, "a<b>&\"c\r\nd\ne\rf\r\n\n");
       },
       {">a&lt;b&gt;&amp;&quot;c<BR>d<BR>e\rf<BR><BR></TD>"},
       {}},
      {"the title is escaped", 1, 1, [](IcxExportProvider&, const TTempFolder&, const String&) {},
       {"a&lt;b&amp;c.html</TITLE>"},
       {"a<b"}},
      {"empty cells with a style get its font-size-1 copy", 3, 1,
       [](IcxExportProvider& p, const TTempFolder&, const String&) {
         Integer s = p.RegisterStyle(SampleStyle());
         p.SetCellStyle(0, 0, s);
         p.SetCellStyle(1, 0, s);
         p.SetCellDataString(1, 0, "");
         p.SetCellStyle(2, 0, s);
         p.SetCellDataString(2, 0, "full");
       },
       {"ALIGN=LEFT CLASS=Style1 HEIGHT=0px>&nbsp</TD>\r\n<TD NOWRAP ALIGN=LEFT CLASS=Style1 HEIGHT=0px>&nbsp</TD>\r\n"
        "<TD NOWRAP ALIGN=LEFT CLASS=Style0 HEIGHT=0px>full</TD>",
        ".Style1 { border-style: solid;padding:0px; border-left-width: 1;", " font-size: 1pt;"},
       {".Style2"}},
      {"default-style cells stay without a rule", 2, 1,
       [](IcxExportProvider& p, const TTempFolder&, const String&) { p.SetCellDataDouble(1, 0, 1.5); },
       {"<!--\r\n--></STYLE>", "CLASS=Style-1 HEIGHT=0px>&nbsp</TD>", "CLASS=Style-1 HEIGHT=0px>1.5</TD>"},
       {".Style"}},
      {"typed values", 3, 1,
       [](IcxExportProvider& p, const TTempFolder&, const String&) {
         p.SetCellDataInteger(0, 0, -7);
         p.SetCellDataWideString(1, 0, u"日本<");
         p.SetCellValue(2, 0, Variant(Currency(12.5)));
       },
       {">-7</TD>", ">日本&lt;</TD>", ">$12.50</TD>"},
       {}},
      {"a nested cache inside a cell", 2, 1,
       [](IcxExportProvider& p, const TTempFolder&, const String& file) {
         auto nested = MakeProvider(cxExportToHtml, file);
         nested->SetRange(1, 1, false);
         nested->SetColumnWidth(0, 33);
         nested->SetCellDataString(0, 0, "inner");
         // The detail's empty cell gets its size-1 copy only at the commit: the master's style
         // section must still hold its rule. (Style 0 is the default style, registered when
         // the second provider of the file took the manager.)
         Integer s = nested->RegisterStyle(SampleStyle(11));
         nested->SetCellStyle(0, 0, s);
         nested->SetCellDataString(0, 0, "");
         auto* master = dynamic_cast<IcxCellInternalCache*>(&p);
         master->SetCellCache(1, 0, std::dynamic_pointer_cast<IcxCellInternalCache>(nested));
         p.SetCellDataString(0, 0, "outer");
       },
       {"CLASS=Style-1 HEIGHT=0px><TABLE BORDER=0 CELLSPACING=0 WIDTH=33>\r\n<TR>\r\n<TD  WIDTH=33 HEIGHT=0></TD>\r\n"
        "</TR>\r\n<TR>\r\n<TD NOWRAP ALIGN=LEFT CLASS=Style2 HEIGHT=0px>&nbsp</TD>\r\n</TR>\r\n</TABLE>\r\n&nbsp</TD>",
        ".Style2 { border-style: solid;padding:0px;"},
       {}},
      {"a bitmap picture cell", 1, 1,
       [](IcxExportProvider& p, const TTempFolder&, const String&) {
         auto* bitmap = new TBitmap;
         bitmap->SetSize(4, 3);
         TGraphic* g = bitmap;
         p.SetCellGraphic(0, 0, g);
         delete g;
       },
       {"CLASS=Style-1 HEIGHT=0px><img src=\"x.images/x_0.bmp\"></img></TD>"},
       {}},
  };
  for (const THtmlCase& c : cases) {
    TTempFolder dir;
    String file = dir.File(String(c.name) == "the title is escaped" ? "a<b&c.html" : "x.html");
    {
      auto p = MakeProvider(cxExportToHtml, file);
      p->SetRange(c.cols, c.rows, true);
      c.fill(*p, dir, file);
      p->Commit();
    }
    String page = ReadWholeFile(file);
    for (const String& f : c.present) EXPECT_NE(page.find(f), String::npos) << c.name << ": " << f << "\n" << page;
    for (const String& f : c.absent) EXPECT_EQ(page.find(f), String::npos) << c.name << ": " << f << "\n" << page;
  }
}

TEST(cxHtmlExport, PictureFileIsWrittenBesideThePage) {
  TTempFolder dir;
  String file = dir.File("x.html");
  auto* bitmap = new TBitmap;
  bitmap->SetSize(4, 3);
  TMemoryStream expected;
  bitmap->SaveToStream(&expected);
  {
    auto p = MakeProvider(cxExportToHtml, file);
    p->SetRange(2, 1, false);
    TGraphic* g = bitmap;
    p->SetCellGraphic(0, 0, g);
    p->SetCellGraphic(1, 0, g);
    delete g;
    EXPECT_FALSE(FileExists(file));  // nothing before Commit
    EXPECT_FALSE(DirectoryExists(dir.File("x.images")));
    p->Commit();
  }
  EXPECT_EQ(ReadWholeFile(dir.File("x.images/x_0.bmp")),
            String(static_cast<const char*>(expected.Memory()), size_t(expected.Size())));
  EXPECT_TRUE(FileExists(dir.File("x.images/x_1.bmp")));
}

// ---------------------------------------------------------------------------------------------
// An independent parser reads the page back.

// Runs the system's Python with html5lib on the page; one line per cell of the outer table
// after the sizing row: text|colspan|rowspan|class, the no-break space shown as "~".
String ParseWithHtml5lib(const TTempFolder& dir, const String& page) {
  return RunPythonScript(
      dir,
      "import sys, html5lib\n"
      "with open(sys.argv[1], 'rb') as f:\n"
      "    doc = html5lib.parse(f, treebuilder='etree', namespaceHTMLElements=False)\n"
      "print(doc.find('.//title').text)\n"
      "table = doc.find('.//table')\n"
      "rows = [r for r in table.iter('tr')][1:]\n"
      "for tr in rows:\n"
      "    for td in tr.findall('td'):\n"
      "        text = ''.join(td.itertext()).replace('\\xa0', '~')\n"
      "        print('%s|%s|%s|%s' % (text, td.get('colspan', ''), td.get('rowspan', ''), td.get('class')))\n"
      "    print('-')\n",
      page);
}

TEST(cxHtmlExport, AnIndependentParserReadsTextsSpansAndClasses) {
  TTempFolder dir;
  String file = dir.File("parsed & read.html");
  {
    auto p = MakeProvider(cxExportToHtml, file);
    FillParsedSheet(*p, "two\r\nlines");
    p->Commit();
  }
  EXPECT_EQ(ParseWithHtml5lib(dir, file), file + "\n"
                                                 "Report <2026> & \"more\"|3||Style0\n"
                                                 "-\n"
                                                 "日本語|||Style-1\n"
                                                 "twolines|2|2|Style-1\n"
                                                 "-\n"
                                                 "~|||Style1\n"
                                                 "-\n");
}

// ---------------------------------------------------------------------------------------------
// Bad input

TEST(cxHtmlExport, BadInputRaisesAndLeavesTheCacheAsItWas) {
  struct Case {
    const char* message;
    std::function<void(IcxExportProvider& p)> action;
  };
  const Case cases[] = {
      {"Invalid column or row count", [](IcxExportProvider& p) { p.SetRange(0, 5, true); }},
      {"Invalid column or row count", [](IcxExportProvider& p) { p.SetRange(5, -1, true); }},
      {"Illegal width of the column", [](IcxExportProvider& p) { p.SetColumnWidth(0, -1); }},
      {"Illegal height of the row", [](IcxExportProvider& p) { p.SetRowHeight(1, -3); }},
      {"The column index 2 out of bounds", [](IcxExportProvider& p) { p.SetColumnWidth(2, 5); }},
      {"The row index -1 out of bounds", [](IcxExportProvider& p) { p.SetRowHeight(-1, 5); }},
      {"The row index 7 out of bounds", [](IcxExportProvider& p) { p.SetCellDataString(0, 7, "x"); }},
      {"The column index -1 out of bounds", [](IcxExportProvider& p) { p.SetCellDataInteger(-1, 7, 1); }},
      {"The column index 9 out of bounds", [](IcxExportProvider& p) { p.SetCellStyle(0, 0, 9, 0); }},
      {"The column index 2 out of bounds", [](IcxExportProvider& p) { p.SetCellUnion(2, 0, 1, 1); }},
      {"The row index 2 out of bounds", [](IcxExportProvider& p) { p.SetCellValue(0, 2, Variant(1)); }},
      {"The row index 2 out of bounds", [](IcxExportProvider& p) { p.GetCellStyle(0, 2); }},
      {"Invalid style index 5", [](IcxExportProvider& p) { p.SetCellStyle(0, 0, 5); }},
      {"Invalid style index 3", [](IcxExportProvider& p) { p.GetStyle(3); }},
      {"Invalid style index 5", [](IcxExportProvider& p) { p.SetCellStyleEx(0, 0, 2, 2, 5); }},
      {"The column index 2 out of bounds", [](IcxExportProvider& p) {
         TGraphic* g = nullptr;
         p.SetCellGraphic(2, 0, g);
       }},
  };
  // The HTML and the XML writer share the cache and its checks.
  for (Integer type : {cxExportToHtml, cxExportToXml}) {
    auto p = MakeProvider(type, "bad.html");
    auto cache = std::dynamic_pointer_cast<TcxCustomHtmlXmlTXTExportProvider>(p);
    p->SetRange(2, 2, false);
    p->SetColumnWidth(0, 11);
    p->SetRowHeight(1, 12);
    for (Integer i = 0; i < 3; ++i) p->RegisterStyle(SampleStyle(20 + i));
    p->SetCellStyle(0, 0, 1);
    p->SetCellDataString(0, 0, "keep");
    for (const Case& c : cases) {
      EXPECT_EQ(ExportErrorOf([&] { c.action(*p); }), c.message);
      TcxCacheItem item = cache->GetCacheItem(0, 0);
      EXPECT_EQ(item.Data, "keep") << c.message;
      EXPECT_EQ(item.StyleIndex, 1) << c.message;
      EXPECT_FALSE(item.IsUnion) << c.message;
      EXPECT_FALSE(cache->GetCacheItem(1, 1).Hidden) << c.message;
      EXPECT_EQ(cache->GetColumnCount(), 2) << c.message;
      EXPECT_EQ(cache->GetColumnWidth(0), 11) << c.message;
      EXPECT_EQ(cache->GetRowHeight(1), 12) << c.message;
    }
    // Negative indexes mean the default style.
    EXPECT_EQ(p->GetStyle(-1), &cache->DefaultStyle());
    p->SetCellStyle(1, 0, -1);
    EXPECT_EQ(p->GetCellStyle(1, 0), &cache->DefaultStyle());
  }
}

TEST(cxHtmlExport, AFileThatCannotBeCreatedRaisesTheStreamError) {
  TTempFolder dir;
  auto p = MakeProvider(cxExportToHtml, dir.File("missing/x.html"));
  p->SetRange(1, 1, false);
  EXPECT_THROW(p->Commit(), EFCreateError);
}

// ---------------------------------------------------------------------------------------------
// The cache itself

TEST(cxExportCache, CellValuesBecomeTexts) {
  struct Case {
    Variant value;
    String text;
  };
  const Case cases[] = {
      {Null(), ""},
      {Variant(), ""},
      {Variant(Currency(1234.5)), "$1,234.50"},
      {Variant(Currency(-2)), "($2.00)"},
      {Variant(1.25), "1.25"},
      {Variant(17), "17"},
      {Variant(true), "True"},
      {Variant(String("text")), "text"},
      {VarFromDateTime(EncodeDate(2026, 3, 4)), DateTimeToStr(EncodeDate(2026, 3, 4))},
  };
  auto p = MakeProvider(cxExportToHtml, "values.html");
  auto cache = std::dynamic_pointer_cast<TcxCustomHtmlXmlTXTExportProvider>(p);
  p->SetRange(1, 1, false);
  for (const Case& c : cases) {
    p->SetCellValue(0, 0, c.value);
    TcxCacheItem item = cache->GetCacheItem(0, 0);
    EXPECT_EQ(item.DataType, cdtString);
    EXPECT_EQ(item.Data, c.text);
  }
}

TEST(cxExportCache, RangeWidthsAndNestedCaches) {
  auto p = MakeProvider(cxExportToHtml, "cache.html");
  auto cache = std::dynamic_pointer_cast<TcxCustomExportProviderSupportedCellInternalChache>(p);
  p->SetRange(4, 2, true);
  EXPECT_EQ(cache->DefaultStyle().Borders[0].Width, 1);
  p->SetColumnWidth(1, 10);
  p->SetColumnWidth(2, 20);
  p->SetColumnWidth(3, 30);
  p->SetCellUnion(1, 0, 1, 3);
  EXPECT_EQ(cache->GetCellWidth(1, 0), 60);
  EXPECT_EQ(cache->GetCellWidth(2, 1), 20);

  // Removing one nested cache leaves the others in their cells.
  auto a = MakeProvider(cxExportToHtml, "cache.html");
  auto b = MakeProvider(cxExportToHtml, "cache.html");
  b->SetRange(1, 1, false);
  b->SetCellDataString(0, 0, "detail-b");
  std::weak_ptr<IcxExportProvider> weakA = a;
  cache->SetCellCache(0, 0, std::dynamic_pointer_cast<IcxCellInternalCache>(a));
  cache->SetCellCache(0, 1, std::dynamic_pointer_cast<IcxCellInternalCache>(b));
  a.reset();
  cache->DeleteCacheFromCell(0, 0);
  EXPECT_TRUE(weakA.expired());
  EXPECT_EQ(cache->GetCacheItem(0, 0).CacheIndex, -1);
  TStringStream out;
  cache->CommitCache(&out, 0);
  EXPECT_NE(out.DataString().find("detail-b"), String::npos);

  // A new range empties every cell.
  p->SetRange(1, 1, false);
  EXPECT_EQ(cache->DefaultStyle().Borders[0].Width, 0);
  EXPECT_EQ(cache->GetCacheItem(0, 0).CacheIndex, -1);
  EXPECT_EQ(cache->GetColumnWidth(0), 0);
}

}  // namespace
