// The XML writer: golden packets and stylesheet, the two files read by xmllint,
// the stylesheet applied by xsltproc and its HTML read back by html5lib, file
// names and errors.
#include <cstdio>
#include <functional>

#include "ExportTestSupport.h"
#include "vcl/Graphics.h"

namespace {

const String kHead = "<?xml version=\"1.0\"?>\r\n<?xml-stylesheet type=\"text/xsl\" href=\"";

// The character references of an ASCII text.
String Refs(const String& s) {
  String out;
  for (char c : s) out += "&#" + IntToStr(Integer(static_cast<unsigned char>(c))) + ";";
  return out;
}

// The sizing line of the given column widths.
String SizingLine(std::initializer_list<Integer> widths) {
  String out = "<LINE>\r\n";
  for (Integer w : widths) out += "<CELL Width=\"" + IntToStr(w) + "\" Height=\"0\">\r\n</CELL>\r\n";
  return out + "</LINE>\r\n";
}

TEST(cxXmlExport, GoldenPacket) {
  TTempFolder dir;
  String file = dir.File("data.xml");
  {
    auto p = MakeProvider(cxExportToXml, file);
    p->SetRange(3, 2, true);
    p->SetColumnWidth(0, 10);
    p->SetColumnWidth(1, 20);
    p->SetColumnWidth(2, 30);
    TcxCacheCellStyle s = SampleStyle(10);
    s.AlignText = catRight;
    s.FontStyle = cfsBold | cfsUnderline;
    s.FontColor = 0x0000FF;
    s.FontCharset = 1;
    s.BrushBkColor = 0x102030;
    s.BrushFgColor = 0x000080;
    s.Borders[0] = {0, 2, 0x00FF00};
    s.Borders[1] = {1, 5, 0x00FF00};
    s.Borders[2] = {0, 0, 0xFF0000};
    s.Borders[3] = {0, 1, 0x808080};
    Integer styled = p->RegisterStyle(s);
    p->SetCellStyleEx(0, 0, 1, 3, styled);
    p->SetCellDataString(0, 0, "a<b");
    p->SetCellDataString(0, 1, ".");
    p->SetCellStyle(1, 1, styled);
    p->SetCellDataInteger(2, 1, 42);
    p->Commit();
  }
  const String style0 =
      "<STYLE Id=\"0\" AlignText=\"Right\" CellPadding=\" 3\" "
      "FontName=\"Arial\" FontCharset=\"1\" Bold=\"True\""
      " Italic=\"False\" Underline=\"True\" StrikeOut=\"False\" "
      "FontColor=\"rgb(255,0,0)\" FontSize=\"10\""
      " BrushStyle=\"Solid\" BrushBkColor=\"rgb(48,32,16)\" "
      "BrushFgColor=\"rgb(128,0,0)\">\r\n"
      "<BORDER_LEFT IsDefault=\"False\" Width=\"2\" "
      "Color=\"rgb(0,255,0)\"/>\r\n"
      "<BORDER_UP IsDefault=\"True\" Width=\"5\" Color=\"rgb(0,255,0)\"/>\r\n"
      "<BORDER_RIGHT IsDefault=\"False\" Width=\"0\" "
      "Color=\"rgb(0,0,255)\"/>\r\n"
      "<BORDER_DOWN IsDefault=\"False\" Width=\"1\" "
      "Color=\"rgb(128,128,128)\"/>\r\n"
      "</STYLE>\r\n";
  String packet = ReadWholeFile(file);
  // Style 1 is the empty cell's font-size-1 copy, style 2 that copy with the
  // text in the background colour.
  auto at = [&](const char* from) { return packet.find(from); };
  ASSERT_NE(at("<STYLE Id=\"2\""), String::npos) << packet;
  String styles = packet.substr(at("<STYLES>"), at("</STYLES>") - at("<STYLES>"));
  EXPECT_EQ(packet.substr(0, at("<STYLES>")),
            kHead + "data.xsl\"?>\r\n<CACHE>\r\n<TITLE>" + Refs("data") + "</TITLE>\r\n");
  EXPECT_EQ(styles.substr(0, 10 + style0.size()), "<STYLES>\r\n" + style0);
  EXPECT_NE(styles.find("<STYLE Id=\"1\" AlignText=\"Right\" "
                        "CellPadding=\"0px\" FontName=\"Arial\""),
            String::npos);
  EXPECT_NE(styles.find("FontColor=\"rgb(48,32,16)\" FontSize=\"1\" "
                        "BrushStyle=\"Solid\" BrushBkColor=\"rgb(48,32,16)\""),
            String::npos);
  EXPECT_EQ(packet.substr(at("</STYLES>")), "</STYLES>\r\n<LINES ColCount=\"3\" RowCount=\"2\">\r\n" +
                                                SizingLine({10, 20, 30}) +
                                                "<LINE>\r\n<CELL Width=\"60\" Align=\"right\" ColSpan=\"3\" "
                                                "StyleClass=\"0\">" +
                                                Refs("a<b") +
                                                "</CELL>\r\n</LINE>"
                                                "<LINE>\r\n<CELL Width=\"10\" Align=\"center\" "
                                                "StyleClass=\"-1\">.</CELL>\r\n"
                                                "<CELL Width=\"20\" Align=\"right\" StyleClass=\"2\">.</CELL>\r\n"
                                                "<CELL Width=\"30\" Align=\"center\" "
                                                "StyleClass=\"-1\">42</CELL>\r\n</LINE>"
                                                "</LINES></CACHE>");
}

// One style element: black-on-white text, grey borders of the given width.
String StyleElement(Integer id, const char* align, const char* font, Integer size, const char* fontColor,
                    Integer border) {
  String out = "<STYLE Id=\"" + IntToStr(id) + "\" AlignText=\"" + align + "\" CellPadding=\"" +
               (size == 1 ? "0px" : " 3") + "\" FontName=\"" + font +
               "\" FontCharset=\"0\" Bold=\"False\" Italic=\"False\" Underline=\"False\" StrikeOut=\"False\" "
               "FontColor=\"" + fontColor + "\" FontSize=\"" + IntToStr(size) +
               "\" BrushStyle=\"Solid\" BrushBkColor=\"rgb(255,255,255)\" BrushFgColor=\"rgb(0,0,0)\">\r\n";
  for (const char* side : {"LEFT", "UP", "RIGHT", "DOWN"})
    out += "<BORDER_" + String(side) + " IsDefault=\"False\" Width=\"" + IntToStr(border) +
           "\" Color=\"rgb(128,128,128)\"/>\r\n";
  return out + "</STYLE>\r\n";
}

// A picture cell beside a nested cache of a text and an empty styled cell, without grid lines:
// the picture's "." hidden in a copy of the borderless sheet default, the nested empty cell in
// the hidden copy of its font-size-1 copy.
TEST(cxXmlExport, GoldenPacketWithAPictureAndANestedCache) {
  TTempFolder dir;
  String file = dir.File("p.xml");
  {
    auto p = MakeProvider(cxExportToXml, file);
    p->SetRange(2, 1, false);
    p->SetColumnWidth(0, 40);
    p->SetColumnWidth(1, 50);
    auto* bitmap = new TBitmap;
    bitmap->SetSize(4, 3);
    TGraphic* g = bitmap;
    p->SetCellGraphic(0, 0, g);
    delete g;
    auto nested = MakeProvider(cxExportToXml, file);
    nested->SetRange(1, 2, false);
    nested->SetColumnWidth(0, 33);
    nested->SetCellDataString(0, 0, "inner");
    nested->SetCellStyle(0, 1, nested->RegisterStyle(SampleStyle(11)));
    dynamic_cast<IcxCellInternalCache*>(p.get())
        ->SetCellCache(1, 0, std::dynamic_pointer_cast<IcxCellInternalCache>(nested));
    p->Commit();
  }
  const char* black = "rgb(0,0,0)";
  const char* white = "rgb(255,255,255)";
  EXPECT_EQ(ReadWholeFile(file),
            kHead + "p.xsl\"?>\r\n<CACHE>\r\n<TITLE>" + Refs("p") + "</TITLE>\r\n<STYLES>\r\n" +
                StyleElement(0, "Center", "Tahoma", 8, black, 1) + StyleElement(1, "Left", "Arial", 11, black, 1) +
                StyleElement(2, "Left", "Arial", 1, black, 1) + StyleElement(3, "Center", "Tahoma", 8, white, 0) +
                StyleElement(4, "Left", "Arial", 1, white, 1) +
                "</STYLES>\r\n<LINES ColCount=\"2\" RowCount=\"1\">\r\n" + SizingLine({40, 50}) +
                "<LINE>\r\n<CELL Width=\"40\" Align=\"center\" StyleClass=\"3\"><IMAGE Src=\"p.images/p_0.bmp\">"
                "</IMAGE>.</CELL>\r\n<CELL Width=\"50\" Align=\"center\" StyleClass=\"-1\">"
                "<LINES ColCount=\"1\" RowCount=\"2\">\r\n" +
                SizingLine({33}) +
                "<LINE>\r\n<CELL Width=\"33\" Align=\"center\" StyleClass=\"-1\">inner</CELL>\r\n</LINE>"
                "<LINE>\r\n<CELL Width=\"33\" Align=\"left\" StyleClass=\"4\">.</CELL>\r\n</LINE></LINES></CELL>\r\n"
                "</LINE></LINES></CACHE>");
  EXPECT_TRUE(FileExists(dir.File("p.images/p_0.bmp")));
  if (HaveCommand("xmllint")) {
    EXPECT_EQ(CommandOutput("xmllint --noout '" + file + "' 2>&1 && echo ok"), "ok\n");
  }
}

TEST(cxXmlExport, GoldenStyleSheet) {
  const String lines[] = {
      "<?xml version=\"1.0\"?>",
      "",
      "<xsl:stylesheet version=\"1.0\" "
      "xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">",
      "<xsl:template match=\"/\">",
      "<xsl:apply-templates select=\"CACHE\" />",
      "</xsl:template>",
      "",
      "<xsl:template match=\"CACHE\">",
      "<html>",
      "<head>",
      "<xsl:apply-templates select=\"TITLE\" />",
      "<xsl:apply-templates select=\"STYLES\" />",
      "</head>",
      "<body>",
      "<xsl:apply-templates select=\"LINES\" />",
      "</body>",
      "</html>",
      "</xsl:template>",
      "",
      "<xsl:template match=\"TITLE\">",
      "<title>",
      "<xsl:value-of select=\".\" />",
      "</title>",
      "</xsl:template>",
      "",
      "<xsl:template match=\"STYLES\">",
      "<style type=\"text/css\">",
      "<xsl:apply-templates select=\"STYLE\" />",
      "</style>",
      "</xsl:template>",
      "",
      "<xsl:template match=\"STYLE\">",
      ".Style<xsl:value-of select=\"@Id\" />",
      "{ border-style: solid;",
      "  padding: <xsl:value-of select=\"@CellPadding\" />;",
      "  font-family: <xsl:value-of select=\"@FontName\" />;",
      "  mso-font-charset: <xsl:value-of select=\"@FontCharset\" />;",
      "  font-size: <xsl:value-of select=\"@FontSize\" />pt;",
      "  color: <xsl:value-of select=\"@FontColor\" />;",
      "  background-color: <xsl:value-of select=\"@BrushBkColor\" />;",
      "<xsl:if test=\"@Bold='True'\">",
      "  font-weight: bold;",
      "</xsl:if>",
      "<xsl:if test=\"@Italic='True'\">",
      "  font-style: italic;",
      "</xsl:if>",
      "<xsl:if test=\"@Underline='True'\">",
      "  text-decoration: underline;",
      "</xsl:if>",
      "<xsl:if test=\"@StrikeOut='True'\">",
      "  text-decoration: line-through;",
      "</xsl:if>",
      "<xsl:apply-templates select=\"BORDER_LEFT\" />",
      "<xsl:apply-templates select=\"BORDER_UP\" />",
      "<xsl:apply-templates select=\"BORDER_RIGHT\" />",
      "<xsl:apply-templates select=\"BORDER_DOWN\" />",
      "}",
      "</xsl:template>",
      "",
      "<xsl:template match=\"BORDER_LEFT\">",
      "border-left-width: <xsl:value-of select=\"@Width\" />;",
      "border-left-color: <xsl:value-of select=\"@Color\" />;",
      "</xsl:template>",
      "",
      "<xsl:template match=\"BORDER_UP\">",
      "border-top-width: <xsl:value-of select=\"@Width\" />;",
      "border-top-color: <xsl:value-of select=\"@Color\" />;",
      "</xsl:template>",
      "",
      "<xsl:template match=\"BORDER_RIGHT\">",
      "border-right-width: <xsl:value-of select=\"@Width\" />;",
      "border-right-color: <xsl:value-of select=\"@Color\" />;",
      "</xsl:template>",
      "",
      "<xsl:template match=\"BORDER_DOWN\">",
      "border-bottom-width: <xsl:value-of select=\"@Width\" />;",
      "border-bottom-color: <xsl:value-of select=\"@Color\" />;",
      "</xsl:template>",
      "",
      "<xsl:template match=\"LINES\">",
      "<table border=\"0\" cellspacing=\"0\">",
      "<xsl:apply-templates select=\"LINE\" />",
      "</table>",
      "</xsl:template>",
      "",
      "<xsl:template match=\"LINE\">",
      "<tr>",
      "<xsl:apply-templates select=\"CELL\" />",
      "</tr>",
      "</xsl:template>",
      "",
      "<xsl:template match=\"CELL\">",
      "<td>",
      "<xsl:attribute name=\"nowrap\"></xsl:attribute>",
      "<xsl:attribute name=\"width\"><xsl:value-of select=\"@Width\" "
      "/></xsl:attribute>",
      "<xsl:attribute name=\"height\"><xsl:value-of select=\"@Height\" "
      "/></xsl:attribute>",
      "<xsl:attribute name=\"align\"><xsl:value-of select=\"@Align\" "
      "/></xsl:attribute>",
      "<xsl:attribute name=\"colspan\"><xsl:value-of select=\"@ColSpan\" "
      "/></xsl:attribute>",
      "<xsl:attribute name=\"rowspan\"><xsl:value-of select=\"@RowSpan\" "
      "/></xsl:attribute>",
      // The cells' class names are those of the rules (".Style" above).
      "<xsl:attribute name=\"class\">Style<xsl:value-of select=\"@StyleClass\" "
      "/></xsl:attribute>",
      "<xsl:choose>",
      "<xsl:when test=\"LINES\">",
      "<xsl:apply-templates select=\"LINES\" />",
      "</xsl:when>",
      "<xsl:when test=\"IMAGE\">",
      "<xsl:apply-templates select=\"IMAGE\" />",
      "</xsl:when>",
      "<xsl:otherwise>",
      "<xsl:value-of select=\".\" />",
      "</xsl:otherwise>",
      "</xsl:choose>",
      "</td>",
      "</xsl:template>",
      "",
      "<xsl:template match=\"IMAGE\">",
      "<img>",
      "<xsl:attribute name=\"src\"><xsl:value-of select=\"@Src\" "
      "/></xsl:attribute>",
      "</img>",
      "</xsl:template>",
      "",
      "</xsl:stylesheet>",
  };
  static_assert(std::size(lines) == 121);
  String expected;
  for (const String& line : lines) expected += line + "\r\n";
  TTempFolder dir;
  auto p = MakeProvider(cxExportToXml, dir.File("s.xml"));
  p->SetRange(1, 1, false);
  p->Commit();
  EXPECT_EQ(ReadWholeFile(dir.File("s.xsl")), expected);
}

// One sheet per case: what the link does, then fragments the packet must hold
// and must not hold.
struct TXmlCase {
  const char* name;
  Integer cols, rows;
  std::function<void(IcxExportProvider& p, const String& file)> fill;
  std::vector<String> present;
  std::vector<String> absent;
};

TEST(cxXmlExport, SheetsGiveTheirFragments) {
  const TXmlCase cases[] = {
      {"texts and values",
       4,
       1,
       [](IcxExportProvider& p, const String&) {
         p.SetCellDataString(0, 0, "Plain text, 1.5 (ok)");
         p.SetCellDataDouble(1, 0, 2.25);
         p.SetCellDataInteger(2, 0, -7);
         p.SetCellValue(3, 0, Variant(Currency(12.5)));
       },
       {">Plain text, 1.5 (ok)</CELL>", ">2.25</CELL>", ">-7</CELL>", ">" + Refs("$12.50") + "</CELL>"},
       {}},
      {"non-ASCII texts are references, a surrogate pair one reference",
       2,
       1,
       [](IcxExportProvider& p, const String&) {
         p.SetCellDataWideString(0, 0, u"日本<\U0001F600");
         p.SetCellDataString(1, 0, "é\x01\t");
       },
       {">&#26085;&#26412;&#60;&#128512;</CELL>", ">&#233;&#65533;&#9;</CELL>"},
       {"&#55357;"}},
      {"font names are encoded like texts",
       1,
       1,
       [](IcxExportProvider& p, const String&) {
         TcxCacheCellStyle s = SampleStyle();
         cxSetStyleFontName(s, "MS \"Gothic\"");
         p.SetCellStyle(0, 0, s);
         p.SetCellDataString(0, 0, "x");
       },
       {"FontName=\"" + Refs("MS \"Gothic\"") + "\""},
       {}},
      {"alignment 2 and font size 1, other brush and alignment values",
       2,
       1,
       [](IcxExportProvider& p, const String&) {
         TcxCacheCellStyle s = SampleStyle(1);
         s.AlignText = catRight;
         s.BrushStyle = cbsClear;
         p.SetCellStyle(0, 0, s);
         p.SetCellDataString(0, 0, "x");
         s.AlignText = 7;
         s.BrushStyle = 9;
         s.FontSize = 12;
         p.SetCellStyle(1, 0, s);
         p.SetCellDataString(1, 0, "y");
       },
       {"AlignText=\"Right\" CellPadding=\"0px\"", "BrushStyle=\"Clear\"", "AlignText=\"\" CellPadding=\" 3\"",
        "BrushStyle=\"\"", "Align=\"right\" StyleClass=\"0\">x<", "Align=\"\" StyleClass=\"1\">y<"},
       {}},
      {"merged cells: summed width, spans above 1, hidden cells skipped",
       4,
       3,
       [](IcxExportProvider& p, const String&) {
         p.SetColumnWidth(1, 10);
         p.SetColumnWidth(2, 20);
         p.SetColumnWidth(3, 30);
         p.SetCellUnion(1, 0, 1, 3);
         p.SetCellDataString(1, 0, "m");
         p.SetCellUnion(0, 1, 2, 1);
         p.SetCellDataString(0, 1, "r");
         p.SetCellDataString(0, 2, "hidden");
       },
       {"<CELL Width=\"60\" Align=\"center\" ColSpan=\"3\" "
        "StyleClass=\"-1\">m</CELL>",
        "<LINE>\r\n<CELL Align=\"center\" RowSpan=\"2\" "
        "StyleClass=\"-1\">r</CELL>\r\n<CELL Width=\"10\"",
        // Empty default-style cells: the hidden copy of the default style (0),
        // then its font-size-1 copy (1).
        "<LINE>\r\n<CELL Width=\"10\" Align=\"center\" "
        "StyleClass=\"1\">.</CELL>"},
       {"hidden", "ColSpan=\"1\"", "RowSpan=\"1\""}},
      {"a real \".\" keeps its style, an empty cell's is hidden",
       3,
       1,
       [](IcxExportProvider& p, const String&) {
         TcxCacheCellStyle s = SampleStyle();
         s.FontColor = 0x0000FF;
         s.BrushBkColor = 0xFFFFFF;
         Integer id = p.RegisterStyle(s);
         p.SetCellStyle(0, 0, id);
         p.SetCellDataString(0, 0, ".");
         p.SetCellStyle(1, 0, id);
         p.SetCellDataWideString(2, 0, u".");
       },
       {"StyleClass=\"0\">.</CELL>", "StyleClass=\"2\">.</CELL>", "StyleClass=\"-1\">.</CELL>\r\n</LINE>",
        "<STYLE Id=\"2\" AlignText=\"Left\" CellPadding=\"0px\" "
        "FontName=\"Arial\" FontCharset=\"0\" Bold=\"False\""
        " Italic=\"False\" Underline=\"False\" StrikeOut=\"False\" "
        "FontColor=\"rgb(255,255,255)\" FontSize=\"1\""},
       {"<STYLE Id=\"3\""}},
      {"a bitmap picture cell",
       1,
       1,
       [](IcxExportProvider& p, const String&) {
         auto* bitmap = new TBitmap;
         bitmap->SetSize(4, 3);
         TGraphic* g = bitmap;
         p.SetCellGraphic(0, 0, g);
         delete g;
       },
       {"StyleClass=\"0\"><IMAGE Src=\"x.images/x_0.bmp\"></IMAGE>.</CELL>",
        "<STYLE Id=\"0\" AlignText=\"Center\" CellPadding=\" 3\" "
        "FontName=\"Tahoma\""},
       {}},
      {"a nested cache inside a cell",
       2,
       1,
       [](IcxExportProvider& p, const String& file) {
         auto nested = MakeProvider(cxExportToXml, file);
         nested->SetRange(1, 2, false);
         nested->SetColumnWidth(0, 33);
         nested->SetCellDataString(0, 0, "inner");
         Integer s = nested->RegisterStyle(SampleStyle(11));
         nested->SetCellStyle(0, 1, s);
         auto* master = dynamic_cast<IcxCellInternalCache*>(&p);
         master->SetCellCache(1, 0, std::dynamic_pointer_cast<IcxCellInternalCache>(nested));
         p.SetCellDataString(0, 0, "outer");
       },
       // Style 0 is the default style, registered when the second provider of
       // the file took the manager; 2 the empty detail cell's size-1 copy, 3
       // that copy hidden.
       {"<CELL Align=\"center\" StyleClass=\"-1\">outer</CELL>\r\n<CELL "
        "Align=\"center\" StyleClass=\"-1\">"
        "<LINES ColCount=\"1\" RowCount=\"2\">\r\n" +
            SizingLine({33}) +
            "<LINE>\r\n<CELL Width=\"33\" Align=\"center\" "
            "StyleClass=\"-1\">inner</CELL>\r\n</LINE>"
            "<LINE>\r\n<CELL Width=\"33\" Align=\"left\" "
            "StyleClass=\"3\">.</CELL>\r\n</LINE></LINES></CELL>\r\n"
            "</LINE></LINES></CACHE>",
        "<STYLE Id=\"3\""},
       {"<STYLE Id=\"4\""}},
  };
  for (const TXmlCase& c : cases) {
    TTempFolder dir;
    String file = dir.File("x.xml");
    {
      auto p = MakeProvider(cxExportToXml, file);
      p->SetRange(c.cols, c.rows, true);
      c.fill(*p, file);
      p->Commit();
    }
    String packet = ReadWholeFile(file);
    for (const String& f : c.present) EXPECT_NE(packet.find(f), String::npos) << c.name << ": " << f << "\n" << packet;
    for (const String& f : c.absent) EXPECT_EQ(packet.find(f), String::npos) << c.name << ": " << f << "\n" << packet;
    for (char ch : packet) EXPECT_TRUE(static_cast<unsigned char>(ch) < 128) << c.name;
    if (HaveCommand("xmllint")) {
      EXPECT_EQ(CommandOutput("xmllint --noout '" + file + "' 2>&1 && echo ok"), "ok\n") << c.name << "\n" << packet;
    }
  }
  if (!HaveCommand("xmllint")) GTEST_SKIP() << "xmllint is missing: the packets were not validated";
}

TEST(cxXmlExport, StyleSheetBesideThePacket) {
  struct Case {
    const char* file;        // inside the test folder
    const char* styleSheet;  // inside the test folder
    const char* href;
    const char* title;
  };
  const Case cases[] = {
      {"data.xml", "data.xsl", "data.xsl", "data"},
      // A name without an extension in a dotted folder: the folder's dot is no
      // extension.
      {"v1.2/out", "v1.2/out.xsl", "out.xsl", "out"},
      {"a.b.xml", "a.b.xsl", "a.b.xsl", "a.b"},
      {"Résumé & co.xml", "Résumé & co.xsl", "R%C3%A9sum%C3%A9%20%26%20co.xsl", "R&#233;sum&#233; &amp; co"},
  };
  for (const Case& c : cases) {
    TTempFolder dir;
    std::filesystem::create_directories(dir.File("v1.2"));
    String file = dir.File(c.file);
    {
      auto p = MakeProvider(cxExportToXml, file);
      auto xml = std::dynamic_pointer_cast<TcxXMLExportProvider>(p);
      EXPECT_EQ(xml->StyleSheetFileName(), "_");
      p->SetRange(1, 1, false);
      p->Commit();
      EXPECT_EQ(xml->StyleSheetFileName(), dir.File(c.styleSheet));
    }
    EXPECT_TRUE(FileExists(dir.File(c.styleSheet))) << c.file;
    String packet = ReadWholeFile(file);
    String title = c.title;
    if (String(c.title).find('&') == String::npos)
      title = Refs(title);
    else
      title = "&#82;&#233;&#115;&#117;&#109;&#233;&#32;&#38;&#32;&#99;&#111;";
    EXPECT_EQ(packet.substr(0, packet.find("<STYLES>")),
              kHead + c.href + "\"?>\r\n<CACHE>\r\n<TITLE>" + title + "</TITLE>\r\n")
        << c.file;
    // xsltproc finds the stylesheet through the packet's instruction.
    if (!HaveCommand("xsltproc")) continue;
    String html = CommandOutput("xsltproc '" + file + "' 2>&1");
    EXPECT_NE(html.find("<table border=\"0\" cellspacing=\"0\">"), String::npos) << c.file << "\n" << html;
  }
  if (!HaveCommand("xsltproc")) GTEST_SKIP() << "xsltproc is missing: the stylesheets were not applied";
}

// ---------------------------------------------------------------------------------------------
// The packet checked by xmllint, transformed by xsltproc and read back by
// html5lib.

// One line per cell of the outer table after the sizing row:
// text|colspan|rowspan|class|rule, where rule tells whether the style element
// holds the class's rule and, if so, whether its text colour equals its
// background colour ("hidden") or not ("shown").
String ReadTransformedPage(const TTempFolder& dir, const String& page) {
  return RunPythonScript(dir,
                         "import re, sys, html5lib\n"
                         "with open(sys.argv[1], 'rb') as f:\n"
                         "    doc = html5lib.parse(f, treebuilder='etree', "
                         "namespaceHTMLElements=False)\n"
                         "print(doc.find('.//title').text)\n"
                         "css = doc.find('.//style').text\n"
                         "rules = dict((m.group(1), m.group(2)) for m in "
                         "re.finditer(r'\\.(Style\\d+)\\s*\\{([^}]*)\\}', css))\n"
                         "def rule(cls):\n"
                         "    if cls not in rules: return 'none'\n"
                         "    color = re.search(r'(?<![-\\w])color: ([^;]*);', "
                         "rules[cls]).group(1)\n"
                         "    back = re.search(r'background-color: ([^;]*);', "
                         "rules[cls]).group(1)\n"
                         "    return 'hidden' if color == back else 'shown'\n"
                         "table = doc.find('.//table')\n"
                         "for tr in [r for r in table.iter('tr')][1:]:\n"
                         "    for td in tr.findall('td'):\n"
                         "        text = ''.join(td.itertext())\n"
                         "        print('%s|%s|%s|%s|%s' % (text, td.get('colspan'), "
                         "td.get('rowspan'), td.get('class'),\n"
                         "                                  rule(td.get('class'))))\n"
                         "    print('-')\n",
                         page);
}

TEST(cxXmlExport, TheStyleSheetRendersThePacket) {
  if (!HaveCommand("xmllint") || !HaveCommand("xsltproc")) GTEST_SKIP() << "xmllint or xsltproc is missing";
  TTempFolder dir;
  String file = dir.File("rendered.xml");
  {
    auto p = MakeProvider(cxExportToXml, file);
    // A real "." in the merged cell stays visible; the empty cell's "." is hidden.
    p->SetCellStyle(1, 1, FillParsedSheet(*p, "."));
    p->Commit();
  }
  EXPECT_EQ(CommandOutput("xmllint --noout '" + file + "' '" + dir.File("rendered.xsl") + "' 2>&1 && echo ok"), "ok\n");
  String html = dir.File("rendered.html");
  EXPECT_EQ(CommandOutput("xsltproc -o '" + html + "' '" + file + "' 2>&1 && echo ok"), "ok\n");
  EXPECT_EQ(ReadTransformedPage(dir, html),
            "rendered\n"
            "Report <2026> & \"more\"|3||Style0|shown\n"
            "-\n"
            "日本語|||Style-1|none\n"
            ".|2|2|Style0|shown\n"
            "-\n"
            ".|||Style2|hidden\n"
            "-\n");
}

// ---------------------------------------------------------------------------------------------
// Bad input

TEST(cxXmlExport, FilesThatCannotBeCreatedRaiseTheStreamError) {
  TTempFolder dir;
  // The last name's stylesheet cannot be created: a folder of that name is in the way.
  std::filesystem::create_directories(dir.File("taken.xsl"));
  for (const String& name : {dir.File("missing/x.xml"), String(), dir.File("taken.xml")}) {
    auto p = MakeProvider(cxExportToXml, name);
    p->SetRange(1, 1, false);
    EXPECT_THROW(p->Commit(), EFCreateError) << name;
  }
}

TEST(cxXmlExport, ACommitWithoutRangeWritesAnEmptyTable) {
  TTempFolder dir;
  String file = dir.File("empty.xml");
  MakeProvider(cxExportToXml, file)->Commit();
  String packet = ReadWholeFile(file);
  EXPECT_NE(packet.find("<LINES ColCount=\"0\" "
                        "RowCount=\"0\">\r\n<LINE>\r\n</LINE>\r\n</LINES></CACHE>"),
            String::npos);
  if (!HaveCommand("xmllint")) GTEST_SKIP() << "xmllint is missing";
  EXPECT_EQ(CommandOutput("xmllint --noout '" + file + "' 2>&1 && echo ok"), "ok\n");
}

}  // namespace

namespace {

// Run by hand: writes a sample packet with its stylesheet into <build>/sheets/xml, for a look
// at the page xsltproc (or a browser) makes of it.
TEST(cxXmlExport, DISABLED_WriteSamplePacket) {
  String dir = testing_support::SheetPath("xml");
  std::filesystem::create_directories(dir);
  auto p = MakeProvider(cxExportToXml, dir + "/sample.xml");
  TcxCacheCellStyle header = SampleStyle(12);
  header.FontStyle = cfsBold;
  header.BrushBkColor = 0xFFE0C0;
  header.Borders[3] = {0, 2, 0x800000};
  Integer h = FillParsedSheet(*p, "merged");
  p->SetCellStyle(0, 0, p->RegisterStyle(header));
  TcxCacheCellStyle red = SampleStyle(10);
  red.FontColor = 0x0000FF;
  red.FontStyle = cfsItalic | cfsUnderline;
  p->SetCellStyle(0, 1, p->RegisterStyle(red));
  p->SetCellStyle(0, 2, h);
  for (Integer c = 0; c < 3; ++c) p->SetColumnWidth(c, 120);
  p->Commit();
}

}  // namespace
