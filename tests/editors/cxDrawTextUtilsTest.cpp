// The text engine with a real font: breaking, justification, vertical placement, ellipsis,
// complete rows, row limits, calc rect and the selection highlight; and a PNG sheet.
#include "editors/cxDrawTextUtils.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"
#include "foundation/cxGraphics.h"
#include "gdi/Gdi.h"

namespace {

class DrawTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bitmap_.SetPixelFormat(pf32bit);
    bitmap_.SetSize(400, 300);
    Canvas()->Font()->SetName("Tahoma");
    Canvas()->Font()->SetSize(10);
    Clear();
  }
  TCanvas* Canvas() { return bitmap_.Canvas(); }
  HDC Dc() { return Canvas()->Handle(); }
  void Clear() {
    Canvas()->Brush()->SetColor(clWhite);
    Canvas()->FillRect(TRect(0, 0, 400, 300));
  }
  Integer W(const String& s) {
    SIZE size{};
    GetTextExtentPoint32(Dc(), s.c_str(), int(s.size()), &size);
    return size.cx;
  }
  Integer FontHeight() {
    TEXTMETRIC tm;
    GetTextMetrics(Dc(), &tm);
    return tm.tmHeight;
  }
  // The rows' texts of a layout in a rectangle of the given width.
  std::vector<String> Rows(const String& text, Integer width, Integer flags, Integer height = 1000,
                           Integer max_rows = 0, TcxTextRows* out = nullptr) {
    TcxTextLayoutParams p;
    InitTextLayoutParams(Dc(), flags, p);
    TcxTextRows rows;
    Integer count = 0;
    LayoutTextRows(Dc(), text, TRect(0, 0, width, height), p, rows, count, max_rows);
    std::vector<String> result;
    for (Integer i = 0; i < count; ++i) result.emplace_back(rows[i].Text, size_t(rows[i].Length));
    if (out) *out = rows;
    return result;
  }
  bool HasColor(const TRect& r, TColor color) {
    const COLORREF rgb = ColorToRGB(color);
    for (Integer y = r.Top; y < r.Bottom; ++y)
      for (Integer x = r.Left; x < r.Right; ++x)
        if (GetPixel(Dc(), x, y) == rgb) return true;
    return false;
  }
  bool HasInk(const TRect& r) {
    const COLORREF white = ColorToRGB(clWhite);
    for (Integer y = r.Top; y < r.Bottom; ++y)
      for (Integer x = r.Left; x < r.Right; ++x)
        if (GetPixel(Dc(), x, y) != white) return true;
    return false;
  }

  TBitmap bitmap_;
};

using Strings = std::vector<String>;

TEST_F(DrawTextTest, BreaksRowsByWordsCharactersAndLines) {
  const Integer wb = tofWordBreak;
  struct Case {
    const char* text;
    Integer width;  // in widths of the sample text
    const char* sample;
    Integer flags;
    Strings rows;
  } cases[] = {
      {"aaa bbb ccc", 1, "aaa bbb c", wb, {"aaa bbb ", "ccc"}},
      {"aaa bbb ccc", 1, "aaa bbb ccc", wb, {"aaa bbb ccc"}},
      {"aaa   bbb", 1, "aaa", wb, {"aaa ", "bbb"}},
      {"abcdefghij", 1, "abcd", wb, {"abcdefghij"}},
      {"mmmmmmmmmm", 1, "mmmm", wb | tofCharBreak, {"mmmm", "mmmm", "mm"}},
      {"ab cdefghij", 1, "abcd", wb | tofCharBreak, {"ab ", "cdef", "ghij"}},
      {"a\r\nb", 1, "a\r\nb", wb, {"a", "b"}},
      {"a\r\nb", 1, "a\r\nbbbb", tofSingleLine, {"a\r\nb"}},
      {"a\nb\r\rc", 1, "abc", 0, {"a", "b", "", "c"}},
      {"\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9", 1, "\xc3\xa9\xc3\xa9", wb | tofCharBreak,
       {"\xc3\xa9\xc3\xa9", "\xc3\xa9\xc3\xa9"}},
      // Without word break only line breaks end rows.
      {"aaa bbb ccc", 1, "aaa", 0, {"aaa bbb ccc"}},
      // A justified row drops its trailing blanks.
      {"aaa bbb ccc", 1, "aaa bbb c", tofJustify, {"aaa bbb", "ccc"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Rows(c.text, W(c.sample), c.flags), c.rows) << c.text << " in " << c.sample;
}

TEST_F(DrawTextTest, JustificationKeepsParagraphEnds) {
  TcxTextRows rows;
  Rows("aa bb cc dd\r\nee ff", W("aa bb c"), tofJustify, 1000, 0, &rows);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].BreakCount, 1);  // "aa bb"
  EXPECT_EQ(rows[1].BreakCount, 0);  // "cc dd": the paragraph's last row is not spread
  EXPECT_EQ(rows[2].BreakCount, 0);
  Rows("aa bb cc dd\r\nee ff", W("aa bb c"), tofDistribute, 1000, 0, &rows);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].BreakCount, 1);
  EXPECT_EQ(rows[2].BreakCount, 1);
  // A justified row fills the width: its last letter reaches the right edge.
  Clear();
  TRect r(10, 10, 10 + W("aa bb c") + 20, 100);
  TextOutRect(Dc(), "aa bb cc dd", r, tofJustify | tofWordBreak);
  const Integer h = FontHeight();
  EXPECT_TRUE(HasInk(TRect(r.Right - 4, 10, r.Right, 10 + h)));
  EXPECT_FALSE(HasInk(TRect(r.Right - 4, 10 + h, r.Right, 10 + 2 * h)));  // last row: left
}

TEST_F(DrawTextTest, VerticalPlacement) {
  const Integer h = FontHeight();
  struct Case {
    Integer flags;
    Integer first_y;
  } cases[] = {
      {tofTop, 10},
      {tofCenterVert, 10 + (200 - 2 * h) / 2},
      {tofBottom, 210 - 2 * h},
      {tofDistributeVert, 10},
  };
  for (const auto& c : cases) {
    TcxTextLayoutParams p;
    InitTextLayoutParams(Dc(), c.flags, p);
    TcxTextRows rows;
    Integer count = 0;
    const TRect r(10, 10, 300, 210);
    LayoutTextRows(Dc(), "one\r\ntwo", r, p, rows, count);
    ASSERT_EQ(count, 2);
    PlaceTextRows(r, p, rows, count);
    EXPECT_EQ(rows[0].Y, c.first_y) << c.flags;
    if (c.flags == tofDistributeVert) EXPECT_EQ(rows[1].Y + h, r.Bottom);
    else EXPECT_EQ(rows[1].Y, c.first_y + h);
  }
  // Keep-top-inside never starts above the rectangle.
  TcxTextLayoutParams p;
  InitTextLayoutParams(Dc(), tofBottom | tofKeepTopInside, p);
  TcxTextRows rows;
  Integer count = 0;
  LayoutTextRows(Dc(), "1\n2\n3\n4", TRect(0, 50, 100, 60), p, rows, count);
  PlaceTextRows(TRect(0, 50, 100, 60), p, rows, count);
  EXPECT_EQ(rows[0].Y, 50);
  // Horizontal placement and keep-left-inside.
  InitTextLayoutParams(Dc(), tofRight | tofKeepLeftInside, p);
  LayoutTextRows(Dc(), "wide text", TRect(0, 0, 1000, 100), p, rows, count);
  PlaceTextRows(TRect(20, 0, 25, 100), p, rows, count);
  EXPECT_EQ(rows[0].X, 20);
  InitTextLayoutParams(Dc(), tofCenterHorz, p);
  LayoutTextRows(Dc(), "ab", TRect(0, 0, 1000, 100), p, rows, count);
  PlaceTextRows(TRect(0, 0, 100, 100), p, rows, count);
  EXPECT_EQ(rows[0].X, (100 - W("ab")) / 2);
}

TEST_F(DrawTextTest, RowLimitsCompleteRowsAndCalcRect) {
  const Integer h = FontHeight();
  const String five = "one\ntwo\nthree\nfour\nfive";
  // Top alignment: rows stop at the first that does not fit entirely; complete rows stop
  // before it.
  EXPECT_EQ(Rows(five, 300, tofWordBreak, h * 2 + h / 2).size(), 3u);
  EXPECT_EQ(Rows(five, 300, tofWordBreak | tofCompleteRowsOnly, h * 2 + h / 2).size(), 2u);
  EXPECT_EQ(Rows(five, 300, tofWordBreak, 1000, 4).size(), 4u);
  EXPECT_EQ(Rows(five, 300, tofWordBreak | tofCenterVert, 1, 0).size(), 5u);
  TcxTextLayoutParams p;
  InitTextLayoutParams(Dc(), tofWordBreak, p);
  TcxTextRows rows;
  Integer count = 0;
  EXPECT_FALSE(LayoutTextRows(Dc(), five, TRect(0, 0, 300, 1000), p, rows, count, 2));
  EXPECT_TRUE(LayoutTextRows(Dc(), five, TRect(0, 0, 300, 1000), p, rows, count, 5));
  // Calc rect with two rows of five: two rows high, as wide as the wider of them.
  TRect r(5, 5, 300, 6);
  const Integer height = TextOutRect(Dc(), five, r, tofWordBreak | tofCalcRect, 0, 0, clNone,
                                     clBlack, 2);
  EXPECT_EQ(height, 2 * h);
  EXPECT_EQ(r, TRect(5, 5, 5 + std::max(W("one"), W("two")), 5 + 2 * h));
  // Calc rect re-lays a wrapped text in its own width; indents are put back.
  r = TRect(0, 0, W("aaa bbb c"), 0);
  TextOutRect(Dc(), "aaa bbb ccc", r, tofWordBreak | tofCalcRect, 0, 0, clNone, clBlack, 0, 3, 4);
  EXPECT_EQ(r.Height(), 2 * h);
  EXPECT_EQ(r.Width(), W("aaa bbb ") + 7);
  r = TRect(0, 0, 10, 0);
  EXPECT_EQ(TextOutRect(Dc(), "x", r, tofCalcRect | tofSingleLine | tofReturnRowCount), 1);
  EXPECT_EQ(TextOutRect(Dc(), "", r, tofCalcRect), 0);
  r = TRect(0, 0, 5, 0);
  EXPECT_EQ(TextOutRect(Dc(), "x", r, tofCalcRect, 0, 0, clNone, clBlack, 0, 3, 3), 0);
}

TEST_F(DrawTextTest, EllipsisStaysInsideTheRectangle) {
  const String text = "The quick brown fox jumps over the lazy dog";
  const Integer h = FontHeight();
  for (Integer flags : {tofSingleLine | tofEndEllipsis, tofWordBreak | tofEndEllipsis,
                        tofWordBreak | tofEndEllipsis | tofCompleteRowsOnly,
                        tofRight | tofSingleLine | tofEndEllipsis}) {
    Clear();
    TRect r(10, 10, 10 + W("The quick br"), 10 + 2 * h);
    TextOutRect(Dc(), text, r, flags);
    EXPECT_FALSE(HasInk(TRect(r.Right, 0, 400, 100))) << flags;
    // The ellipsis' dots sit at the end of the last visible row.
    EXPECT_TRUE(HasInk(TRect(r.Right - W("..") , r.Top, r.Right, r.Bottom))) << flags;
  }
  // A row limit that hides text ends the last row in an ellipsis.
  Clear();
  TRect r(10, 10, 300, 200);
  TextOutRect(Dc(), "short\nhidden", r, tofWordBreak | tofEndEllipsis, 0, 0, clNone, clBlack, 1);
  EXPECT_TRUE(HasInk(TRect(10 + W("short"), 10, 10 + W("short..."), 10 + h)));
  EXPECT_FALSE(HasInk(TRect(10, 10 + h, 300, 200)));
}

TEST_F(DrawTextTest, SelectionHighlight) {
  const Integer h = FontHeight();
  TRect r(10, 10, 10 + W("alpha beta "), 200);
  TextOutRect(Dc(), "alpha beta gamma", r, tofWordBreak, 6, 7, clNavy, clWhite);
  // "beta " on the first row and "ga" on the second.
  EXPECT_TRUE(HasColor(TRect(10 + W("alpha ") + 1, 10, 10 + W("alpha beta") - 1, 10 + h), clNavy));
  EXPECT_FALSE(HasColor(TRect(10, 10, 10 + W("alpha") - 1, 10 + h), clNavy));
  EXPECT_TRUE(HasColor(TRect(10, 10 + h, 10 + W("ga"), 10 + 2 * h), clNavy));
  EXPECT_FALSE(HasColor(TRect(10 + W("ga") + 1, 10 + h, 300, 10 + 2 * h), clNavy));
  // A selection starting past the text highlights nothing; one running past the end stops.
  Clear();
  TextOutRect(Dc(), "alpha", r, 0, 5, 3, clNavy, clWhite);
  EXPECT_FALSE(HasColor(TRect(0, 0, 400, 300), clNavy));
  TextOutRect(Dc(), "alpha", r, 0, 3, 100, clNavy, clWhite);
  EXPECT_FALSE(HasColor(TRect(10 + W("alpha") + 1, 0, 400, 300), clNavy));
  EXPECT_TRUE(HasColor(TRect(10 + W("alp") + 1, 10, 10 + W("alpha") - 1, 10 + h), clNavy));
}

TEST_F(DrawTextTest, FlagConversions) {
  struct Case {
    Integer tof, ctf;
  } cases[] = {
      {tofLeft | tofTop, ctfLeft | ctfTop},
      {tofCenterHorz | tofCenterVert, ctfHCenter | ctfVCenter},
      {tofRight | tofBottom | tofSingleLine, ctfRight | ctfBottom | ctfSingleLine},
      {tofWordBreak, ctfLeft | ctfTop | ctfWordBreak},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextOutFlagsToCanvasFlags(c.tof), c.ctf);
    EXPECT_EQ(CanvasFlagsToTextOutFlags(c.ctf), c.tof);
  }
  EXPECT_EQ(MakeTextOutAlignment(tofRight, 2), tofRight | tofBottom);
}

TEST_F(DrawTextTest, Sheet) {
  const String text = "The quick brown fox jumps over the lazy dog.\r\nA second paragraph "
                      "with several words.";
  struct Cell {
    Integer flags;
  } cells[] = {
      {tofWordBreak}, {tofWordBreak | tofCenterHorz | tofCenterVert},
      {tofWordBreak | tofRight | tofBottom}, {tofWordBreak | tofJustify},
      {tofWordBreak | tofDistribute | tofDistributeVert}, {tofSingleLine | tofEndEllipsis},
      {tofWordBreak | tofEndEllipsis | tofCompleteRowsOnly}, {tofCharBreak | tofWordBreak},
      {tofWordBreak | tofEndEllipsis},
  };
  Clear();
  Integer i = 0;
  for (const auto& c : cells) {
    const Integer x = 5 + (i % 3) * 130, y = 5 + (i / 3) * 95;
    TRect r(x, y, x + 125, y + 90);
    Canvas()->Brush()->SetColor(clSilver);
    Canvas()->FrameRect(TRect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1));
    TextOutRect(Dc(), text, r, c.flags, i == 0 ? 4 : 0, i == 0 ? 30 : 0, clHighlight,
                clHighlightText);
    ++i;
  }
  bitmap_.SaveToPngFile(testing_support::SheetPath("editors_text_engine.png"));
}

}  // namespace
