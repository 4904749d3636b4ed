// Fonts and text: measured extents against drawn ink, DrawText layout, ellipses, Japanese.
#include <cstring>

#include "GdiTestUtil.h"

namespace {
HFONT MakeFont(const char* face, int height, int weight = FW_NORMAL, bool italic = false) {
  return CreateFont(height, 0, 0, 0, weight, italic, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
}

SIZE Extent(HDC dc, const std::string& s) {
  SIZE sz;
  GetTextExtentPoint32(dc, s.c_str(), int(s.size()), &sz);
  return sz;
}
}  // namespace

TEST(GdiFonts, FaceNamesMapToInstalledFamilies) {
  struct Case {
    const char* face;
    const char* family;
  } cases[] = {
      {"\xef\xbc\xad\xef\xbc\xb3 \xef\xbc\xb0\xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf", "IPAPGothic"},
      {"\xef\xbc\xad\xef\xbc\xb3 \xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf", "IPAGothic"},
      {"MS UI Gothic", "IPAPGothic"},
      {"MS Sans Serif", "Liberation Sans"},
      {"Tahoma", "Liberation Sans"},
      {"Courier New", "Liberation Mono"},
      {"DejaVu Sans", "DejaVu Sans"},          // installed families are used as they are
      {"No Such Font 123", "Liberation Sans"},  // unknown names: the default GUI font
      {"", "Liberation Sans"},
  };
  for (const Case& c : cases) {
    HFONT f = MakeFont(c.face, -12);
    EXPECT_EQ(GetFontFamilyName(f), c.family) << c.face;
    DeleteObject(f);
  }
  EXPECT_EQ(GetFontFamilyName(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))), "Liberation Sans");
  // An unknown face with the Japanese character set gets a Japanese font.
  HFONT jp = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, "No Such Font 123");
  EXPECT_EQ(GetFontFamilyName(jp), "IPAPGothic");
  DeleteObject(jp);
}

TEST(GdiFonts, MetricsFollowTheRequestedHeight) {
  Canvas cv(4, 4);
  struct Case {
    int height;
    int em;  // expected em size; 0: the cell height is the request
  } cases[] = {{-11, 11}, {-16, 16}, {-40, 40}, {20, 0}, {0, 11}};
  for (const Case& c : cases) {
    Selected f(cv.dc, MakeFont("Arial", c.height));
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(cv.dc, &tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    if (c.em)
      EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, c.em) << c.height;
    else
      EXPECT_NEAR(tm.tmHeight, c.height, 1) << c.height;
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
  }
  // Bold text is at least as wide as regular text.
  std::string s = "Bold width";
  int regular, bold;
  {
    Selected f(cv.dc, MakeFont("Arial", -13));
    regular = Extent(cv.dc, s).cx;
  }
  {
    Selected f(cv.dc, MakeFont("Arial", -13, FW_BOLD));
    bold = Extent(cv.dc, s).cx;
    TEXTMETRIC tm;
    GetTextMetrics(cv.dc, &tm);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
  }
  EXPECT_GE(bold, regular);
}

TEST(GdiText, MeasuredExtentHoldsTheDrawnInk) {
  struct Case {
    const char* face;
    const char* text;
  } cases[] = {
      {"Tahoma", "Hello, world"},
      {"Courier New", "Fixed 123"},
      {"Arial", "Wg|jy"},
      {"\xef\xbc\xad\xef\xbc\xb3 \xef\xbc\xb0\xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf",
       "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe3\x83\x86\xe3\x82\xad\xe3\x82\xb9\xe3\x83\x88"},
  };
  for (const Case& c : cases) {
    Canvas cv(200, 40);
    Selected f(cv.dc, MakeFont(c.face, -16));
    SIZE sz = Extent(cv.dc, c.text);
    SetBkMode(cv.dc, TRANSPARENT);
    TextOut(cv.dc, 10, 5, c.text, int(std::strlen(c.text)));
    RECT ink = cv.Ink(kWhite);
    ASSERT_FALSE(ink.IsEmpty()) << c.face;
    EXPECT_GE(ink.Left, 10 - 1) << c.face;
    EXPECT_LE(ink.Right, 10 + sz.cx + 1) << c.face;
    EXPECT_GE(ink.Top, 5) << c.face;
    EXPECT_LE(ink.Bottom, 5 + sz.cy) << c.face;
    // The ink spans most of the measured width.
    EXPECT_GT(ink.Width(), sz.cx * 3 / 4) << c.face;
  }
}

TEST(GdiText, JapaneseFallsBackToAJapaneseFont) {
  // A Latin face without Japanese glyphs still draws Japanese text, with the same advances a
  // Japanese face gives.
  Canvas a(120, 30), b(120, 30);
  const char* text = "\xe6\x97\xa5\xe6\x9c\xac";  // two ideographs
  Selected fa(a.dc, MakeFont("Tahoma", -16));
  Selected fb(b.dc, MakeFont("\xef\xbc\xad\xef\xbc\xb3 \xef\xbc\xb0\xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf", -16));
  EXPECT_EQ(Extent(a.dc, text).cx, Extent(b.dc, text).cx);
  TextOut(a.dc, 2, 2, text, 6);
  EXPECT_FALSE(a.Ink(kWhite).IsEmpty());
}

TEST(GdiText, ExtTextOutAlignmentOpaqueAndClipping) {
  Canvas cv(120, 30);
  Selected f(cv.dc, MakeFont("Arial", -14));
  const char* text = "Clip";
  SIZE sz = Extent(cv.dc, text);
  TEXTMETRIC tm;
  GetTextMetrics(cv.dc, &tm);
  // Opaque background fills the text cell.
  SetBkMode(cv.dc, OPAQUE);
  SetBkColor(cv.dc, RGB(255, 0, 0));
  TextOut(cv.dc, 5, 5, text, 4);
  EXPECT_EQ(cv.Ink(kWhite), RECT(5, 5, 5 + sz.cx, 5 + sz.cy));
  // Right alignment and the baseline.
  cv.Clear(kWhite);
  SetTextAlign(cv.dc, TA_RIGHT | TA_BASELINE);
  TextOut(cv.dc, 100, 20, text, 4);
  EXPECT_EQ(cv.Ink(kWhite), RECT(100 - sz.cx, 20 - tm.tmAscent, 100, 20 - tm.tmAscent + sz.cy));
  SetTextAlign(cv.dc, TA_LEFT | TA_TOP);
  // ETO_CLIPPED keeps everything inside the rectangle; ETO_OPAQUE fills it.
  cv.Clear(kWhite);
  SetBkMode(cv.dc, TRANSPARENT);
  RECT clip(10, 0, 14, 30);
  ExtTextOut(cv.dc, 5, 5, ETO_CLIPPED | ETO_OPAQUE, &clip, text, 4, nullptr);
  EXPECT_EQ(cv.Ink(kWhite), clip);
  // Update of the current position.
  SetTextAlign(cv.dc, TA_UPDATECP);
  MoveToEx(cv.dc, 3, 0, nullptr);
  TextOut(cv.dc, 0, 0, text, 4);
  POINT p;
  GetCurrentPositionEx(cv.dc, &p);
  EXPECT_EQ(p.X, 3 + sz.cx);
}

TEST(GdiDrawText, CalcRectMatchesDrawing) {
  const char* text = "The quick brown fox jumps over the lazy dog again and again";
  struct Case {
    UINT format;
    int width;
  } cases[] = {
      {DT_WORDBREAK, 80},
      {DT_WORDBREAK, 150},
      {DT_WORDBREAK | DT_CENTER, 100},
      {DT_WORDBREAK | DT_EDITCONTROL, 40},
      {DT_SINGLELINE, 500},
      {0, 500},
  };
  for (const Case& c : cases) {
    Canvas cv(520, 200);
    Selected f(cv.dc, MakeFont("Tahoma", -12));
    RECT calc(10, 10, 10 + c.width, 10);
    int h = DrawText(cv.dc, text, -1, &calc, c.format | DT_CALCRECT);
    EXPECT_EQ(h, calc.Height()) << c.format;
    EXPECT_EQ(cv.Ink(kWhite), RECT()) << "measuring draws nothing";
    RECT draw(10, 10, 10 + c.width, 200);
    int drawnH = DrawText(cv.dc, text, -1, &draw, c.format);
    EXPECT_EQ(drawnH, h) << c.format;
    RECT ink = cv.Ink(kWhite);
    EXPECT_GE(ink.Top, calc.Top) << c.format;
    EXPECT_LE(ink.Bottom, calc.Bottom) << c.format;
    if (!(c.format & DT_CENTER)) {
      EXPECT_GE(ink.Left, calc.Left - 1) << c.format;
      EXPECT_LE(ink.Right, calc.Right + 1) << c.format;
    }
    // Wrapped text stays inside the width unless a word is longer than it.
    if (c.format & DT_WORDBREAK) { EXPECT_LE(calc.Width(), c.width) << c.format; }
  }
  // Lines: one per paragraph without word breaks; the longest word limits the width.
  Canvas cv(10, 10);
  TEXTMETRIC tm;
  GetTextMetrics(cv.dc, &tm);
  RECT r(0, 0, 1000, 0);
  EXPECT_EQ(DrawText(cv.dc, "a\nb\r\nc", -1, &r, DT_CALCRECT), 3 * tm.tmHeight);
  r = RECT(0, 0, 1000, 0);
  EXPECT_EQ(DrawText(cv.dc, "a\nb\r\nc", -1, &r, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
  r = RECT(0, 0, 1, 0);
  DrawText(cv.dc, "short longestword x", -1, &r, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(r.Width(), Extent(cv.dc, "longestword").cx);
  EXPECT_EQ(r.Height(), 3 * tm.tmHeight);
  // With DT_EDITCONTROL a long word is broken to fit.
  r = RECT(0, 0, Extent(cv.dc, "long").cx, 0);
  DrawText(cv.dc, "longestword", -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL);
  EXPECT_LE(r.Width(), Extent(cv.dc, "long").cx);
  EXPECT_GT(r.Height(), tm.tmHeight);
  // Japanese text breaks between its characters without spaces.
  {
    Selected jf(cv.dc, MakeFont("\xef\xbc\xad\xef\xbc\xb3 \xef\xbc\xb0\xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf", -12));
    const char* jp = "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe3\x83\x86\xe3\x82\xad\xe3\x82\xb9\xe3\x83\x88\xe3\x82\x92\xe6\x8a\x98\xe3\x82\x8a\xe8\xbf\x94\xe3\x81\x99";
    TEXTMETRIC jtm;
    GetTextMetrics(cv.dc, &jtm);
    int width = Extent(cv.dc, jp).cx / 3 + 1;
    r = RECT(0, 0, width, 0);
    DrawText(cv.dc, jp, -1, &r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_LE(r.Width(), width);
    EXPECT_GE(r.Height(), 3 * jtm.tmHeight);
  }
  // Empty text measures as nothing.
  r = RECT(5, 5, 50, 50);
  EXPECT_EQ(DrawText(cv.dc, "", -1, &r, DT_CALCRECT), 0);
  EXPECT_EQ(r, RECT(5, 5, 5, 5));
}

TEST(GdiDrawText, EllipsesShortenToFit) {
  Canvas cv(300, 30);
  Selected f(cv.dc, MakeFont("Tahoma", -12));
  const std::string longText = "A rather long caption that cannot fit";
  const std::string path = "C:\\Program Files\\Some Folder\\Deeper\\file name.csv";
  struct Case {
    std::string text;
    UINT format;
    int width;
    std::string mustStart, mustEnd;
  } cases[] = {
      {longText, DT_END_ELLIPSIS, 100, "A rather", "..."},
      {longText, DT_WORD_ELLIPSIS, 100, "A rather", "..."},
      {path, DT_PATH_ELLIPSIS, 160, "C:", "\\file name.csv"},
      {"fits", DT_END_ELLIPSIS, 100, "fits", "fits"},
  };
  for (const Case& c : cases) {
    std::vector<char> buf(c.text.begin(), c.text.end());
    buf.resize(buf.size() + 5, 0);
    RECT r(0, 0, c.width, 20);
    DrawText(cv.dc, buf.data(), int(c.text.size()), &r, c.format | DT_SINGLELINE | DT_MODIFYSTRING);
    std::string out = buf.data();
    EXPECT_LE(Extent(cv.dc, out).cx, c.width) << out;
    EXPECT_TRUE(out.starts_with(c.mustStart)) << out;
    EXPECT_TRUE(out.ends_with(c.mustEnd)) << out;
    if (c.text != "fits") {
      EXPECT_NE(out.find("..."), std::string::npos) << out;
    }
    // The measured rectangle of the shortened text fits as well.
    RECT m(0, 0, c.width, 20);
    DrawText(cv.dc, c.text.c_str(), -1, &m, c.format | DT_SINGLELINE | DT_CALCRECT);
    EXPECT_LE(m.Width(), c.width);
  }
  // Word ellipsis ends at a word boundary.
  std::vector<char> buf(longText.begin(), longText.end());
  buf.resize(buf.size() + 5, 0);
  RECT r(0, 0, 100, 20);
  DrawText(cv.dc, buf.data(), int(longText.size()), &r, DT_WORD_ELLIPSIS | DT_SINGLELINE | DT_MODIFYSTRING);
  std::string out = buf.data();
  std::string kept = out.substr(0, out.size() - 3);
  EXPECT_TRUE(longText.compare(0, kept.size(), kept) == 0 && (longText[kept.size()] == ' ')) << out;
}

TEST(GdiDrawText, AlignmentPrefixesAndTabs) {
  Canvas cv(200, 40);
  Selected f(cv.dc, MakeFont("Arial", -14));
  TEXTMETRIC tm;
  GetTextMetrics(cv.dc, &tm);
  SetBkMode(cv.dc, OPAQUE);
  SetBkColor(cv.dc, RGB(255, 0, 0));  // the cell shows exactly where the text is placed
  struct Case {
    UINT format;
    RECT expected;
  };
  int w = Extent(cv.dc, "Mid").cx;
  Case cases[] = {
      {DT_SINGLELINE, RECT(0, 0, w, tm.tmHeight)},
      {DT_SINGLELINE | DT_RIGHT, RECT(200 - w, 0, 200, tm.tmHeight)},
      {DT_SINGLELINE | DT_CENTER | DT_VCENTER, RECT((200 - w) / 2, (40 - tm.tmHeight) / 2, (200 - w) / 2 + w, (40 - tm.tmHeight) / 2 + tm.tmHeight)},
      {DT_SINGLELINE | DT_BOTTOM, RECT(0, 40 - tm.tmHeight, w, 40)},
      // Vertical alignment needs a single line.
      {DT_BOTTOM, RECT(0, 0, w, tm.tmHeight)},
  };
  for (const Case& c : cases) {
    cv.Clear(kWhite);
    RECT r(0, 0, 200, 40);
    DrawText(cv.dc, "Mid", -1, &r, c.format);
    EXPECT_EQ(cv.Ink(kWhite), c.expected) << c.format;
  }
  // "&&" shows one ampersand; "&x" underlines x unless prefixes are off.
  RECT r(0, 0, 200, 40);
  DrawText(cv.dc, "a&&b", -1, &r, DT_CALCRECT);
  EXPECT_EQ(r.Width(), Extent(cv.dc, "a&b").cx);
  r = RECT(0, 0, 200, 40);
  DrawText(cv.dc, "&File", -1, &r, DT_CALCRECT);
  EXPECT_EQ(r.Width(), Extent(cv.dc, "File").cx);
  r = RECT(0, 0, 200, 40);
  DrawText(cv.dc, "&File", -1, &r, DT_CALCRECT | DT_NOPREFIX);
  EXPECT_EQ(r.Width(), Extent(cv.dc, "&File").cx);
  SetBkMode(cv.dc, TRANSPARENT);
  Canvas u(100, 30), n(100, 30);
  for (Canvas* c : {&u, &n}) SelectObject(c->dc, GetCurrentObject(cv.dc, OBJ_FONT));
  RECT ru(0, 0, 100, 30), rn(0, 0, 100, 30);
  DrawText(u.dc, "&File", -1, &ru, 0);
  DrawText(n.dc, "&File", -1, &rn, DT_HIDEPREFIX);
  EXPECT_GT(u.Ink(kWhite).Bottom, n.Ink(kWhite).Bottom);  // the underline lies below the text
  for (Canvas* c : {&u, &n}) SelectObject(c->dc, GetStockObject(SYSTEM_FONT));
  // Tabs expand to multiples of eight average characters.
  r = RECT(0, 0, 500, 40);
  DrawText(cv.dc, "a\tb", -1, &r, DT_CALCRECT | DT_EXPANDTABS);
  EXPECT_EQ(r.Width(), 8 * tm.tmAveCharWidth + Extent(cv.dc, "b").cx);
}

TEST(GdiText, RotatedAndDecoratedFonts) {
  Canvas cv(80, 120);
  HFONT vertical = CreateFont(-14, 0, 900, 900, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  Selected f(cv.dc, vertical);
  SetBkMode(cv.dc, TRANSPARENT);
  TextOut(cv.dc, 20, 100, "Upward", 6);
  RECT ink = cv.Ink(kWhite);
  // Text at 90 degrees runs up from the reference point and is taller than wide.
  EXPECT_GT(ink.Height(), ink.Width());
  EXPECT_LE(ink.Bottom, 101);
  Canvas plain(100, 30), under(100, 30);
  Selected fp(plain.dc, MakeFont("Arial", -14));
  Selected fu(under.dc, CreateFont(-14, 0, 0, 0, FW_NORMAL, 0, 1, 0, 0, 0, 0, 0, 0, "Arial"));
  TextOut(plain.dc, 0, 0, "ace", 3);
  TextOut(under.dc, 0, 0, "ace", 3);
  EXPECT_GT(under.Ink(kWhite).Bottom, plain.Ink(kWhite).Bottom);
}

TEST(GdiText, TabStopsAndJustification) {
  Canvas cv(200, 30);
  Selected f(cv.dc, MakeFont("Arial", -14));
  TEXTMETRIC tm;
  GetTextMetrics(cv.dc, &tm);
  int wb = Extent(cv.dc, "b").cx, wc = Extent(cv.dc, "c").cx, ws = Extent(cv.dc, " ").cx;
  int one[] = {40};
  int two[] = {30, 70};
  struct Case {
    const char* text;
    int n;
    const int* tabs;
    int width;
  } cases[] = {
      {"a\tb", 1, one, 40 + wb},
      {"a\tb\tc", 2, two, 70 + wc},
      {"a\tb\tc\td", 2, two, 70 + wc + ws + Extent(cv.dc, "d").cx},  // past the last stop
      {"a\tb", 0, nullptr, 8 * tm.tmAveCharWidth + wb},
  };
  for (const Case& c : cases) {
    DWORD ext = GetTabbedTextExtent(cv.dc, c.text, int(std::strlen(c.text)), c.n, c.tabs);
    EXPECT_EQ(LOWORD(ext), c.width) << c.text;
    EXPECT_EQ(HIWORD(ext), tm.tmHeight);
  }
  // Drawing puts the text after the tab at the stop, from the tab origin.
  SetBkMode(cv.dc, TRANSPARENT);
  TabbedTextOut(cv.dc, 10, 0, "\tb", 2, 1, one, 10);
  EXPECT_GE(cv.Ink(RGB(255, 255, 255)).Left, 49);

  // Justification spreads pixels over the spaces of the next text.
  int plain = Extent(cv.dc, "a b c").cx;
  SetTextJustification(cv.dc, 11, 2);
  EXPECT_EQ(Extent(cv.dc, "a b c").cx, plain + 11);
  SetTextJustification(cv.dc, 0, 0);
  EXPECT_EQ(Extent(cv.dc, "a b c").cx, plain);
}

TEST(GdiDrawText, WrappedTextThatOverflowsEndsInAnEllipsis) {
  HFONT font = MakeFont("Tahoma", -12);
  Canvas a(200, 60), b(200, 60);
  SelectObject(a.dc, font);
  SelectObject(b.dc, font);
  TEXTMETRIC tm;
  GetTextMetrics(a.dc, &tm);
  int width = Extent(a.dc, "word word").cx + 1;
  RECT box(0, 0, width, 2 * tm.tmHeight + tm.tmHeight / 2);
  DrawText(a.dc, "word word word word word word", -1, &box, DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS);
  // The same as the first line drawn plainly and the second shortened to end in "...".
  char second[32] = "word word...";
  RECT fit(0, 0, width, tm.tmHeight);
  DrawText(b.dc, second, int(std::strlen(second)), &fit, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_CALCRECT);
  std::string shown = second;
  EXPECT_TRUE(shown.ends_with("...")) << shown;
  EXPECT_LE(Extent(b.dc, shown).cx, width);
  RECT l1(0, 0, width, tm.tmHeight), l2(0, tm.tmHeight, width, 2 * tm.tmHeight);
  DrawText(b.dc, "word word", -1, &l1, DT_SINGLELINE);
  DrawText(b.dc, shown.c_str(), -1, &l2, DT_SINGLELINE);
  EXPECT_EQ(a.Pixels(), b.Pixels());
  // Without an ellipsis flag the third line is simply not shown (edit control).
  a.Clear(RGB(255, 255, 255));
  DrawText(a.dc, "word word word word word word", -1, &box, DT_WORDBREAK | DT_EDITCONTROL);
  EXPECT_LE(a.Ink(RGB(255, 255, 255)).Bottom, 2 * tm.tmHeight);
  SelectObject(a.dc, GetStockObject(SYSTEM_FONT));
  SelectObject(b.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
}
