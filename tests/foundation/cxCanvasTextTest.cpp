// Text output and measurement through TcxCanvas and the text helpers of the graphics unit.
#include <gtest/gtest.h>

#include "foundation/cxGraphics.h"
#include "tests/foundation/cxGraphicsTestUtil.h"
#include "tests/support/HeadlessFixture.h"

using cxtest::Rgb;
using cxtest::TPaintTarget;

TEST(cxText, TranslateTextFlagsTable) {
  struct Case {
    TcxTextFlags flags;
    UINT format;
  };
  const Case cases[] = {
      {ctfLeft | ctfTop, DT_NOPREFIX},
      {ctfRight | ctfBottom, DT_NOPREFIX | DT_RIGHT | DT_BOTTOM},
      {ctfHCenter | ctfVCenter | ctfSingleLine, DT_NOPREFIX | DT_CENTER | DT_VCENTER | DT_SINGLELINE},
      {ctfNoClip | ctfExpandTabs, DT_NOPREFIX | DT_NOCLIP | DT_EXPANDTABS},
      {ctfShowPrefix, 0},
      {ctfWordBreak, DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL},
      {ctfWordBreak | ctfKeepWords, DT_NOPREFIX | DT_WORDBREAK},
      {ctfKeepWords, DT_NOPREFIX},
      {ctfEndEllipsis | ctfPathEllipsis, DT_NOPREFIX | DT_END_ELLIPSIS | DT_PATH_ELLIPSIS},
      {ctfMeasureOnly | ctfShowPrefix, DT_CALCRECT},
  };
  for (const Case& c : cases) EXPECT_EQ(TranslateTextFlags(c.flags), c.format) << std::hex << c.flags;
}

TEST(cxText, EmptyTextDrawsNothingAndTouchesNothing) {
  TPaintTarget t(50, 20, clWhite);
  t.canvas->CurrentBrush()->SetStyle(bsSolid);
  t.canvas->CurrentFont()->SetColor(clRed);
  t.canvas->OutputText("", TRect(0, 0, 50, 20), ctfLeft | ctfTop, false);
  EXPECT_EQ(t.InkBounds(0xFFFFFF), TRect());
  EXPECT_EQ(t.canvas->CurrentBrush()->Style(), bsSolid);
  EXPECT_EQ(t.canvas->CurrentFont()->Color(), clRed);
}

TEST(cxText, DisabledRightAlignedTextIsEmbossedOnePixelFurtherLeft) {
  const TRect r(0, 0, 120, 30);
  const TcxTextFlags flags = ctfRight | ctfVCenter | ctfSingleLine;
  COLORREF bg = Rgb(clBtnFace);
  TPaintTarget on(120, 30, clBtnFace), off(120, 30, clBtnFace);
  for (TPaintTarget* t : {&on, &off}) {
    t->canvas->CurrentBrush()->SetStyle(bsClear);
    t->canvas->CurrentFont()->SetColor(clBlack);
  }
  on.canvas->OutputText("Wide", r, flags, true);
  off.canvas->OutputText("Wide", r, flags, false);
  TRect a = on.InkBounds(bg), b = off.InkBounds(bg);
  ASSERT_NE(a, TRect());
  EXPECT_EQ(b.Left, a.Left - 1);
  // Two drawings: the highlight one pixel right and below the shadow.
  bool highlight = false, shadow = false;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 120; ++x) {
      highlight |= off.Px(x, y) == Rgb(clBtnHighlight);
      shadow |= off.Px(x, y) == Rgb(clBtnShadow);
    }
  EXPECT_TRUE(highlight);
  EXPECT_TRUE(shadow);
  EXPECT_EQ(b.Right, a.Right);
  // The font colour and brush style are restored.
  EXPECT_EQ(off.canvas->CurrentFont()->Color(), clBlack);
  EXPECT_EQ(off.canvas->CurrentBrush()->Style(), bsClear);
}

TEST(cxText, TextThatDoesNotFitIsClippedToItsRect) {
  struct Case {
    String text;
    TcxTextFlags flags;
  };
  // Glyph output, formatted output with an ellipsis, and hard line breaks in a rectangle of
  // one line, which must not spill below it.
  const Case cases[] = {
      {"A text much wider than its rectangle", ctfLeft | ctfTop | ctfSingleLine},
      {"A text much wider than its rectangle", ctfLeft | ctfTop | ctfSingleLine | ctfShowPrefix},
      {"First\nSecond\nThird", ctfLeft | ctfTop},
      {"First\r\nSecond", ctfLeft | ctfVCenter},
  };
  for (const Case& c : cases) {
    TPaintTarget t(200, 60, clWhite);
    t.canvas->CurrentBrush()->SetStyle(bsClear);
    t.canvas->CurrentFont()->SetColor(clBlack);
    Integer h = t.canvas->MeasureTextHeight("Wg");
    TRect r(10, 10, 60, 10 + h);
    if (c.text.find('\n') != String::npos) r.Right = 190;
    t.canvas->OutputText(c.text, r, c.flags);
    EXPECT_NE(t.InkBounds(0xFFFFFF), TRect()) << c.text;
    EXPECT_TRUE(t.UntouchedOutside(r, 0xFFFFFF)) << c.text;
  }
}

TEST(cxText, FittingTextIsPlacedByItsAlignment) {
  TPaintTarget t(200, 60, clWhite);
  t.canvas->CurrentBrush()->SetStyle(bsClear);
  t.canvas->CurrentFont()->SetColor(clBlack);
  TSize ext = t.canvas->MeasureTextSize("Mid");
  TRect r(0, 0, 200, 60);
  t.canvas->OutputText("Mid", r, ctfHCenter | ctfBottom | ctfSingleLine);
  TRect ink = t.InkBounds(0xFFFFFF);
  int left = (200 - ext.cx) / 2;
  EXPECT_GE(ink.Left, left);
  EXPECT_LE(ink.Right, left + ext.cx);
  EXPECT_GE(ink.Top, 60 - ext.cy);
  // A multi-line block pre-placed at the bottom.
  TPaintTarget m(200, 80, clWhite);
  m.canvas->CurrentBrush()->SetStyle(bsClear);
  m.canvas->CurrentFont()->SetColor(clBlack);
  m.canvas->OutputText("One\nTwo", TRect(0, 0, 200, 80), ctfLeft | ctfBottom);
  TRect block(0, 0, 200, 0);
  m.canvas->MeasureTextRect("One\nTwo", block, ctfLeft | ctfTop);
  EXPECT_GE(m.InkBounds(0xFFFFFF).Top, 80 - block.Height());
}

TEST(cxText, MeasureTextRectPlacesTheMeasuredRect) {
  TPaintTarget t(10, 10);
  Integer w = t.canvas->MeasureTextWidth("Hello");
  Integer h = t.canvas->MeasureTextHeight("Hello");
  struct Case {
    TRect given;
    TcxTextFlags flags;
    TRect want;
  };
  const Case cases[] = {
      {TRect(10, 10, 210, 50), ctfHCenter | ctfTop, Bounds(10 + (200 - w) / 2, 10, w, h)},
      {TRect(10, 10, 210, 50), ctfRight | ctfBottom, Bounds(210 - w, 50 - h, w, h)},
      {TRect(10, 10, 210, 50), ctfLeft | ctfVCenter, Bounds(10, 10 + (40 - h) / 2, w, h)},
      // A zero-width rectangle is widened to one pixel before measuring.
      {TRect(5, 5, 5, 5), ctfLeft | ctfTop, Bounds(5, 5, w, h)},
  };
  for (const Case& c : cases) {
    TRect r = c.given;
    t.canvas->MeasureTextRect("Hello", r, c.flags);
    EXPECT_EQ(r, c.want) << std::hex << c.flags;
  }
  TRect e(7, 8, 50, 50);
  t.canvas->MeasureTextRect("", e, ctfLeft | ctfTop);
  EXPECT_EQ(e.TopLeft(), TPoint(7, 8));
}

TEST(cxText, FitTextInLinesFindsTheNarrowestTwoLineWidth) {
  TPaintTarget t(10, 10);
  HDC dc = t.canvas->DeviceContext();
  const String text = "The quick brown fox jumps over the lazy dog";
  Integer lineH = TextSizeOnDC(dc, "Wg").cy;
  TRect r = FitTextInLines(dc, text, 2, false);
  EXPECT_LE(r.Bottom, 2 * lineH);
  auto heightAt = [&](Integer w) {
    TRect m(0, 0, w, 1);
    CallDrawText(dc, text, m, -1, DT_CALCRECT | DT_WORDBREAK);
    return m.Bottom;
  };
  EXPECT_GT(heightAt(r.Right - 2), 2 * lineH);
  TRect fixed = FitTextInLines(dc, text, 2, true);
  EXPECT_EQ(fixed.Bottom, 2 * lineH);
  EXPECT_EQ(FitTextInLines(dc, text, 0, false), TRect());
  TRect one = FitTextInLines(dc, text, 1, false);
  EXPECT_EQ(one.Right, TextSizeOnDC(dc, text).cx);
  EXPECT_EQ(one.Bottom, lineH);
}

class cxTextScreen : public testing_support::THeadlessFixture {};

TEST_F(cxTextScreen, MeasureInFontUsesTheFontsOwnSizeUnlessOneIsGiven) {
  TFont font;
  font.SetName("Arial");
  font.SetSize(20);
  TPaintTarget t(10, 10);
  t.canvas->ApplyFont(&font);
  EXPECT_EQ(MeasureTextWidthInFont(&font, "Measure", 0), t.canvas->MeasureTextWidth("Measure"));
  t.canvas->CurrentFont()->SetSize(9);
  EXPECT_EQ(MeasureTextWidthInFont(&font, "Measure", 9), t.canvas->MeasureTextWidth("Measure"));
  EXPECT_EQ(MeasureTextHeightInFont(&font, "Qq", 9), t.canvas->MeasureFontHeight(t.canvas->CurrentFont()));
}

TEST(cxText, RotatedFontDrawsAlongTheAngle) {
  TPaintTarget t(120, 120, clWhite);
  t.canvas->CurrentBrush()->SetStyle(bsClear);
  t.canvas->CurrentFont()->SetColor(clBlack);
  t.canvas->CurrentFont()->SetName("Arial");
  t.canvas->CurrentFont()->SetSize(12);
  t.canvas->RotateFont(90);
  LOGFONT lf;
  ASSERT_TRUE(GetFontObjectInfo(static_cast<HFONT>(GetCurrentObject(t.canvas->DeviceContext(), OBJ_FONT)), lf));
  EXPECT_EQ(lf.lfEscapement, 900);
  EXPECT_EQ(lf.lfOutPrecision, 7);
  // Output (also the disabled look, which changes the text colour) keeps the rotation.
  for (bool enabled : {true, false}) {
    t.canvas->FillRectColor(TRect(0, 0, 120, 120), clWhite);
    t.canvas->CurrentBrush()->SetStyle(bsClear);
    t.canvas->OutputText("Vertical", TRect(40, 110, 120, 120), ctfLeft | ctfTop | ctfSingleLine | ctfNoClip, enabled);
    TRect ink = t.InkBounds(0xFFFFFF);
    EXPECT_GT(ink.Height(), 2 * ink.Width()) << enabled;
  }
  // A change of the canvas font replaces the rotated one.
  t.canvas->CurrentFont()->SetSize(11);
  t.canvas->MeasureTextWidth("x");
  ASSERT_TRUE(GetFontObjectInfo(static_cast<HFONT>(GetCurrentObject(t.canvas->DeviceContext(), OBJ_FONT)), lf));
  EXPECT_EQ(lf.lfEscapement, 0);
}

TEST(cxText, MirroredScriptText) {
  struct Case {
    Byte charset;
    String text;
    bool want;
  };
  const Case cases[] = {
      {178, "\xD8\xB9\xD8\xB1", true},  // Arabic text in the Arabic set
      {177, "\xD7\xA9", false},         // other sets are not mirrored
      {134, "\xE4\xB8\xAD", true},
      {136, "\xE4\xB8\xAD", true},
      {178, "abc", false},              // a leading single-byte character
      {128, "\xE3\x81\x82", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsMirroredScriptText(c.charset, c.text), c.want) << int(c.charset);
}
