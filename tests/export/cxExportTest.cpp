// The export engine: registry, style record and hash, style managers, default style, colours,
// currency format, picture naming and the message texts.
#include <cstddef>
#include <cstring>

#include "ExportTestSupport.h"
#include "vcl/Graphics.h"

namespace {

class TcxTestProviderA : public TcxCustomExportProvider {
 public:
  using TcxCustomExportProvider::TcxCustomExportProvider;
  CX_EXPORT_PROVIDER_CLASS(TcxTestProviderA)
  static Integer ExportType() { return cxExportToHtml; }
};

class TcxTestProviderB : public TcxCustomExportProvider {
 public:
  using TcxCustomExportProvider::TcxCustomExportProvider;
  CX_EXPORT_PROVIDER_CLASS(TcxTestProviderB)
  static Integer ExportType() { return 57; }
};

TEST(cxExportRegistry, RegistersOneClassPerTypeAndFindsItByType) {
  InitializeCxHtmlXmlTxtExport();
  EXPECT_FALSE(TcxExport::RegisterProviderClass(nullptr));
  // A second class of type 2 is refused; the HTML writer stays.
  EXPECT_FALSE(TcxExport::RegisterProviderClass(TcxTestProviderA::Class()));
  EXPECT_EQ(TcxExport::GetProviderClassByType(cxExportToHtml), TcxHTMLExportProvider::Class());
  EXPECT_FALSE(TcxExport::RegisterProviderClass(TcxTXTExportProvider::Class()));
  EXPECT_TRUE(TcxExport::RegisterProviderClass(TcxTestProviderB::Class()));
  EXPECT_FALSE(TcxExport::RegisterProviderClass(TcxTestProviderB::Class()));
  EXPECT_EQ(TcxExport::GetProviderClassByType(57), TcxTestProviderB::Class());

  EXPECT_EQ(TcxHTMLExportProvider::Class()->ExportName(), "Export to Web page (*.html)");
  EXPECT_EQ(TcxTXTExportProvider::Class()->ExportName(), "Export to text format (*.txt)");
  EXPECT_EQ(TcxCustomExportProvider::ExportType(), -1);
  EXPECT_EQ(TcxCustomExportProvider::ExportName(), "");
}

TEST(cxExportRegistry, UnknownTypeRaisesWithTheNumber) {
  InitializeCxHtmlXmlTxtExport();
  EXPECT_EQ(ExportErrorOf([] { TcxExport::Provider(7, "x.html"); }), "Unsupported export type: 7");
}

TEST(cxExportRegistry, ProviderKeepsTheFileNameAndDiesWithItsLastReference) {
  std::weak_ptr<TcxCustomExportProvider> weak;
  {
    std::shared_ptr<IcxExportProvider> provider = MakeProvider(cxExportToHtml, "C:/out/a.html");
    auto object = std::dynamic_pointer_cast<TcxCustomExportProvider>(provider);
    weak = object;
    // Kept with its "/" as it stands.
    EXPECT_EQ(object->FileName(), "C:/out/a.html");
    EXPECT_NE(std::dynamic_pointer_cast<IcxCellInternalCache>(provider), nullptr);
    EXPECT_EQ(std::dynamic_pointer_cast<IcxExportSeparators>(provider), nullptr);
  }
  EXPECT_TRUE(weak.expired());
}

TEST(cxExportRegistry, ReplacementTextsOfTheSetUpAreUsed) {
  cxExportInit(
      [](const TcxResourceStringRec& rec) {
        return &rec == &scxUnsupportedExport ? String("Exporttyp %1 fehlt") : LoadReplaceableResString(rec);
      },
      [](Integer c) { return Integer(ColorToRGB(c)); }, true);
  String unsupported = ExportErrorOf([] { TcxExport::Provider(8, "x.html"); });
  auto provider = MakeProvider(cxExportToHtml, "replacement.html");
  String column = ExportErrorOf([&] { provider->SetColumnWidth(0, 1); });
  cxExportInit(&LoadReplaceableResString, [](Integer c) { return Integer(ColorToRGB(c)); }, true);
  EXPECT_EQ(unsupported, "Exporttyp 8 fehlt");
  EXPECT_EQ(column, "The column index 0 out of bounds");
}

// ---------------------------------------------------------------------------------------------
// Style record

TEST(cxExportStyle, RecordLayoutIsPacked) {
  struct Field {
    size_t offset, expected;
  };
  const Field fields[] = {
      {offsetof(TcxCacheCellStyle, AlignText), 0},     {offsetof(TcxCacheCellStyle, FontName), 1},
      {offsetof(TcxCacheCellStyle, FontStyle), 34},    {offsetof(TcxCacheCellStyle, FontColor), 35},
      {offsetof(TcxCacheCellStyle, FontSize), 39},     {offsetof(TcxCacheCellStyle, FontCharset), 43},
      {offsetof(TcxCacheCellStyle, Borders), 47},      {offsetof(TcxCacheCellStyle, BrushStyle), 83},
      {offsetof(TcxCacheCellStyle, BrushBkColor), 84}, {offsetof(TcxCacheCellStyle, BrushFgColor), 88},
      {offsetof(TcxCacheCellStyle, HashCode), 92},     {offsetof(TcxCellBorders, Width), 1},
      {offsetof(TcxCellBorders, Color), 5},
  };
  for (const Field& f : fields) EXPECT_EQ(f.offset, f.expected);
}

TEST(cxExportStyle, HashRotatesLeftByFiveAndTakesEachByteIntoTheLowBits) {
  struct Case {
    int byte;
    Byte value;
    uint32_t hash;
  };
  // Bytes after the one set rotate it further: 91 - offset rotations of 5 bits each.
  const Case cases[] = {{91, 1, 1}, {90, 1, 32}, {89, 3, 3u << 10}, {0, 1, 1u << 7}, {92, 1, 0}};
  for (const Case& c : cases) {
    TcxCacheCellStyle s;
    std::memset(&s, 0, sizeof(s));
    reinterpret_cast<Byte*>(&s)[c.byte] = c.value;
    EXPECT_EQ(uint32_t(cxStyleHash(s)), c.hash) << "byte " << c.byte;
  }
}

TEST(cxExportStyle, FontNameIsCutBetweenCharacters) {
  struct Case {
    String name, stored;
  };
  const String thirtyOne(31, 'a');
  const Case cases[] = {
      {"Tahoma", "Tahoma"},
      {String(40, 'x'), String(32, 'x')},
      // "ゴ" takes 3 bytes: 31 + 3 does not fit, so the name stops after 31 bytes.
      {thirtyOne + "ゴシック", thirtyOne},
      {"ＭＳ Ｐゴシック", "ＭＳ Ｐゴシック"},
  };
  for (const Case& c : cases) {
    TcxCacheCellStyle s;
    std::memset(&s, 0x55, sizeof(s));
    cxSetStyleFontName(s, c.name);
    EXPECT_EQ(cxStyleFontName(s), c.stored);
    for (size_t i = c.stored.size(); i < sizeof(s.FontName); ++i) EXPECT_EQ(s.FontName[i], 0) << c.name;
  }
}

TEST(cxExportStyleManager, RegistersByBytesZeroToNinetyOne) {
  TcxExportStyleManager* m = TcxExportStyleManager::GetInstance("styles.html");
  TcxCacheCellStyle a = SampleStyle();
  TcxCacheCellStyle b = a;
  b.HashCode = 12345;  // differs only in the hash
  TcxCacheCellStyle c = a;
  c.FontName[20] = 'z';  // differs after the terminating zero
  EXPECT_EQ(m->RegisterStyle(a), 0);
  EXPECT_EQ(a.HashCode, cxStyleHash(a));
  EXPECT_EQ(m->RegisterStyle(b), 0);
  EXPECT_EQ(m->RegisterStyle(c), 1);
  EXPECT_EQ(m->GetStyleCount(), 2);
  EXPECT_EQ(std::memcmp(m->GetStyle(1), &c, sizeof(c)), 0);
  EXPECT_EQ(ExportErrorOf([&] { m->GetStyle(2); }), "Invalid style index 2");
  EXPECT_EQ(ExportErrorOf([&] { m->GetStyle(-1); }), "Invalid style index -1");
  m->Release();
}

TEST(cxExportStyleManager, ProvidersOfOneFileShareItAndTheSecondRegistersTheDefaultStyle) {
  auto first = MakeProvider(cxExportToHtml, "Shared.html");
  TcxExportStyleManager* m = std::dynamic_pointer_cast<TcxCustomHtmlXmlTXTExportProvider>(first)->StyleManager();
  EXPECT_EQ(m->GetStyleCount(), 0);
  auto second = MakeProvider(cxExportToText, "SHARED.html");  // the case of the name does not matter
  EXPECT_EQ(std::dynamic_pointer_cast<TcxCustomHtmlXmlTXTExportProvider>(second)->StyleManager(), m);
  EXPECT_EQ(m->RefCount(), 2);
  ASSERT_EQ(m->GetStyleCount(), 1);
  EXPECT_EQ(std::memcmp(m->GetStyle(0), &DefaultCellStyle(), cxStyleKeySize), 0);
  EXPECT_EQ(first->RegisterStyle(SampleStyle()), 1);
  EXPECT_EQ(second->RegisterStyle(SampleStyle()), 1);
  first.reset();
  second.reset();
  // The last release removed the manager: a new provider starts an empty list.
  auto third = MakeProvider(cxExportToHtml, "shared.html");
  EXPECT_EQ(std::dynamic_pointer_cast<TcxCustomHtmlXmlTXTExportProvider>(third)->StyleManager()->GetStyleCount(), 0);
}

TEST(cxExportStyle, DefaultStyleComesFromTheSystemColours) {
  const TcxCacheCellStyle& d = DefaultCellStyle();
  EXPECT_EQ(d.AlignText, catCenter);
  EXPECT_EQ(cxStyleFontName(d), "Tahoma");
  EXPECT_EQ(d.FontStyle, 0);
  EXPECT_EQ(d.FontColor, Integer(ColorToRGB(clBtnText)));
  EXPECT_EQ(d.FontSize, 8);
  EXPECT_EQ(d.FontCharset, 0);
  for (const TcxCellBorders& b : d.Borders) {
    EXPECT_EQ(b.IsDefault, 0);
    EXPECT_EQ(b.Width, 1);
    EXPECT_EQ(b.Color, Integer(ColorToRGB(clBtnShadow)));
  }
  EXPECT_EQ(d.BrushStyle, cbsSolid);
  EXPECT_EQ(d.BrushBkColor, Integer(ColorToRGB(clWindow)));
  EXPECT_EQ(d.BrushFgColor, 0);
}

TEST(cxExportStyle, ExportColorExchangesRedAndBlueOfSystemColoursOnlyWhenAsked) {
  auto toRGB = [](Integer c) { return c < 0 ? Integer(0x123456) : c; };
  struct Case {
    bool native;
    Integer color, rgb;
  };
  const Case cases[] = {
      {true, clBtnFace, 0x123456}, {false, clBtnFace, 0x563412}, {false, 0x123456, 0x123456}, {true, 0xABCDEF, 0xABCDEF}};
  for (const Case& c : cases) {
    cxExportInit(&LoadReplaceableResString, toRGB, c.native);
    EXPECT_EQ(ExportColor(c.color), c.rgb) << c.native << " " << c.color;
  }
  cxExportInit(&LoadReplaceableResString, [](Integer c) { return Integer(ColorToRGB(c)); }, true);
}

TEST(cxExportRoutines, CharsetsMapToCodePages) {
  const std::pair<Integer, Integer> cases[] = {{128, 932}, {129, 949}, {130, 949}, {134, 936}, {136, 950},
                                               {161, 1253}, {162, 1254}, {177, 1255}, {178, 1256}, {186, 1257},
                                               {204, 1251}, {222, 874}, {238, 1250}, {0, 0}, {1, 0}, {255, 0}};
  for (auto [charset, page] : cases) EXPECT_EQ(CharsetToCodePage(charset), page) << charset;
}

TEST(cxExportRoutines, NeedsEncoding) {
  struct Case {
    String s;
    bool loose, strict;
  };
  const Case cases[] = {{"Abc_1 (x);!", false, false}, {"a<b", false, true}, {"a&b", false, true},
                        {"日本", true, true},           {"", false, false},        {"\"", false, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(NeedsEncoding(c.s, false), c.loose) << c.s;
    EXPECT_EQ(NeedsEncoding(c.s, true), c.strict) << c.s;
  }
}

// ---------------------------------------------------------------------------------------------
// Currency format

TEST(cxExportCurrencyFormat, FollowsTheLocaleSettings) {
  struct Case {
    String symbol;
    Byte decimals, positive, negative;
    String format;
  };
  const Case cases[] = {
      {"¥", 0, 0, 1, "¥,0.;-¥,0."},
      {"$", 2, 0, 0, "$,0.00;($,0.00)"},
      {"$", 2, 1, 2, ",0.00$;$-,0.00"},
      {"$", 2, 2, 3, "$ ,0.00;$,0.00-"},
      {"$", 2, 3, 4, ",0.00 $;(,0.00$)"},
      {"$", 1, 0, 5, "$,0.0;-,0.0$"},
      {"$", 1, 0, 6, "$,0.0;,0.0-$"},
      {"$", 1, 0, 7, "$,0.0;,0.0$-"},
      {"$", 1, 0, 8, "$,0.0;-,0.0 $"},
      {"$", 1, 0, 9, "$,0.0;-$ ,0.0"},
      {"$", 1, 0, 10, "$,0.0;,0.0 $-"},
      {"$", 1, 0, 11, "$,0.0;$ ,0.0-"},
      {"$", 1, 0, 12, "$,0.0;$ -,0.0"},
      {"$", 1, 0, 13, "$,0.0;,0.0- $"},
      {"$", 1, 0, 14, "$,0.0;($ ,0.0)"},
      {"$", 1, 0, 15, "$,0.0;(,0.0 $)"},
      // "," and "." of a symbol are quoted; an empty symbol leaves the positive part empty.
      {"kr.", 2, 3, 8, ",0.00 kr'.';-,0.00 kr'.'"},
      {"a,b", 0, 0, 1, "a','b,0.;-a','b,0."},
      {"", 2, 0, 1, ";-,0.00"},
  };
  for (const Case& c : cases) {
    TFormatSettings fs = TFormatSettings::EnglishUS();
    fs.CurrencyString = c.symbol;
    fs.CurrencyDecimals = c.decimals;
    fs.CurrencyFormat = c.positive;
    fs.NegCurrFormat = c.negative;
    EXPECT_EQ(BuildCurrencyFormat(fs), c.format) << c.symbol << " " << int(c.positive) << " " << int(c.negative);
  }
  EXPECT_EQ(CurrencyFormat(), BuildCurrencyFormat(FormatSettings));
}

// ---------------------------------------------------------------------------------------------
// Pictures

TEST(cxExportPictures, NamesCountFromZeroWhileTextProvidersLive) {
  {
    auto provider = MakeProvider(cxExportToHtml, "out/x.html");
    EXPECT_EQ(GetCellGraphicFileName("out/x.html", "bmp"), "out/x.images/x_0.bmp");
    EXPECT_EQ(GetCellGraphicFileName("out/x.html", "bmp"), "out/x.images/x_1.bmp");
    EXPECT_EQ(GetCellGraphicFileName("out/x.html", "emf"), "out/x.images/x_2.emf");
    auto other = MakeProvider(cxExportToText, "y.txt");
    provider.reset();  // one text provider still lives: the count goes on
    EXPECT_EQ(GetCellGraphicFileName("C:/out/report.html", "bmp"), "C:/out/report.images/report_3.bmp");
  }
  auto next = MakeProvider(cxExportToHtml, "out/x.html");
  EXPECT_EQ(GetCellGraphicFileName("x", "bmp"), "x.images/x_0.bmp");
}

TEST(cxExportPictures, GraphicDataPacksTheNameAndTheSavedPicture) {
  auto provider = MakeProvider(cxExportToHtml, "dir/p.html");
  auto* bitmap = new TBitmap;
  bitmap->SetSize(3, 2);
  TGraphic* graphic = bitmap;
  String data = GraphicToData("dir/p.html", graphic);
  EXPECT_EQ(graphic, bitmap);  // a bitmap is written as it is
  String name, bytes;
  DataToGraphic(data, name, bytes);
  EXPECT_EQ(name, "dir/p.images/p_0.bmp");
  EXPECT_EQ(data.substr(0, 4), String("\x14\0\0\0", 4));
  TMemoryStream saved;
  bitmap->SaveToStream(&saved);
  EXPECT_EQ(bytes, String(static_cast<const char*>(saved.Memory()), size_t(saved.Size())));
  delete graphic;
}

TEST(cxExportPictures, PicturesBecomeTheExportClassUnlessItIsBitmapOrMetafile) {
  auto provider = MakeProvider(cxExportToHtml, "conv.html");
  String name, bytes;
  // With the bitmap class set, any picture stays as it is.
  TGraphic* jpeg = new TJPEGImage;
  static_cast<TJPEGImage*>(jpeg)->Bitmap()->SetSize(2, 2);
  TGraphic* given = jpeg;
  DataToGraphic(GraphicToData("conv.html", jpeg), name, bytes);
  EXPECT_EQ(jpeg, given);
  EXPECT_EQ(name, "conv.images/conv_0.jpg");
  delete jpeg;

  SetExportGraphicClass(TJPEGImage::StaticClass());
  auto* bitmap = new TBitmap;
  bitmap->SetSize(2, 2);
  TGraphic* graphic = bitmap;
  String data = GraphicToData("conv.html", graphic);
  SetExportGraphicClass(TBitmap::StaticClass());
  ASSERT_NE(dynamic_cast<TJPEGImage*>(graphic), nullptr);  // the bitmap was freed and replaced
  DataToGraphic(data, name, bytes);
  EXPECT_EQ(name, "conv.images/conv_1.jpg");
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xD8");
  delete graphic;
}

}  // namespace
