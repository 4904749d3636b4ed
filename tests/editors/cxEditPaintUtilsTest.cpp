// Painting utilities: the brush cache, fills and frames, arrows, glyphs and the shared
// routines.
#include "editors/cxEditPaintUtils.h"
#include "editors/cxEdit.h"

#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "gdi/Gdi.h"

namespace {

class PaintUtilsTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    bitmap_.SetPixelFormat(pf32bit);
    bitmap_.SetSize(100, 100);
    canvas_ = std::make_unique<TcxCanvas>(bitmap_.Canvas());
    FillRectWithColor(canvas_.get(), TRect(0, 0, 100, 100), clWhite);
  }
  void TearDown() override {
    canvas_.reset();
    THeadlessFixture::TearDown();
  }
  COLORREF Px(Integer x, Integer y) { return GetPixel(canvas_->DeviceContext(), x, y); }
  // The pixels of a rectangle as rows of '#' (not white) and '.'.
  std::vector<String> Pattern(const TRect& r) {
    std::vector<String> rows;
    for (Integer y = r.Top; y < r.Bottom; ++y) {
      String row;
      for (Integer x = r.Left; x < r.Right; ++x) row += Px(x, y) == ColorToRGB(clWhite) ? '.' : '#';
      rows.push_back(row);
    }
    return rows;
  }
  TBitmap bitmap_;
  std::unique_ptr<TcxCanvas> canvas_;
};

TEST_F(PaintUtilsTest, BrushCacheKeepsHandlesAndEvictsTheLeastUsed) {
  TcxSolidBrushCache cache;
  HBRUSH red = cache.Obtain(clRed);
  EXPECT_EQ(cache.Obtain(clRed), red);  // used twice
  HBRUSH first_other = cache.Obtain(TColor(0x010000));
  for (Integer i = 1; i < TcxSolidBrushCache::MaxDepth - 1; ++i) cache.Obtain(TColor(0x010000 + i));
  EXPECT_EQ(cache.Depth(), TcxSolidBrushCache::MaxDepth);
  // The 129th colour pushes out the first least-used entry in colour order, not red.
  cache.Obtain(TColor(0x7F0000));
  EXPECT_EQ(cache.Depth(), TcxSolidBrushCache::MaxDepth);
  EXPECT_EQ(cache.Obtain(clRed), red);
  EXPECT_EQ(cache.RetiredCount(), 1);
  // The pushed-out brush still paints until the message loop runs.
  LOGBRUSH lb{};
  EXPECT_NE(GetObject(first_other, sizeof(lb), &lb), 0);
  Pump();
  EXPECT_EQ(cache.RetiredCount(), 0);
  EXPECT_EQ(GetObject(first_other, sizeof(lb), &lb), 0);
  // A flush empties the cache; the next request makes a new brush.
  cache.FlushBrushes();
  EXPECT_EQ(cache.Depth(), 0);
  cache.Obtain(clRed);
  EXPECT_EQ(cache.Depth(), 1);
}

TEST_F(PaintUtilsTest, RetiredBrushesGoEvenAfterTheCacheWindowWasDestroyed) {
  TcxSolidBrushCache cache;
  for (Integer i = 0; i < TcxSolidBrushCache::MaxDepth + 1; ++i) cache.Obtain(TColor(0x300000 + i));
  EXPECT_EQ(cache.RetiredCount(), 1);
  // A new session destroys every window, the cache's too; the next retirement makes another.
  TearDown();
  SetUp();
  cache.Obtain(TColor(0x400000));
  EXPECT_EQ(cache.RetiredCount(), 2);
  Pump();
  EXPECT_EQ(cache.RetiredCount(), 0);
}

TEST_F(PaintUtilsTest, BrushStaysValidWhileItsCallerPaints) {
  HBRUSH mine = ObtainSolidBrush(TColor(0x123456));
  for (Integer i = 0; i < 300; ++i) ObtainSolidBrush(TColor(0x200000 + i));
  FillRectWithBrush(canvas_->DeviceContext(), TRect(0, 0, 10, 10), mine);
  EXPECT_EQ(Px(5, 5), ColorToRGB(TColor(0x123456)));
  Pump();
}

TEST_F(PaintUtilsTest, SystemColoursUseSystemBrushes) {
  EXPECT_EQ(ObtainSolidBrush(clBtnFace), GetSysColorBrush(COLOR_BTNFACE));
  const Integer depth = SolidBrushCache()->Depth();
  ObtainSolidBrush(clWindow);
  EXPECT_EQ(SolidBrushCache()->Depth(), depth);
}

TEST_F(PaintUtilsTest, FillsAndFrames) {
  HBRUSH black = ObtainSolidBrush(clBlack);
  FillRectExcept(canvas_.get(), TRect(0, 0, 6, 5), TRect(2, 1, 4, 3), black);
  EXPECT_EQ(Pattern(TRect(0, 0, 7, 6)),
            (std::vector<String>{"######.", "##..##.", "##..##.", "######.", "######.", "......."}));
  FillRectWithColor(canvas_.get(), TRect(0, 0, 100, 100), clWhite);
  FillRectExcept(canvas_.get(), TRect(0, 0, 4, 4), TRect(0, 0, 4, 4), black);
  EXPECT_EQ(Px(1, 1), ColorToRGB(clWhite));
  TRect r(0, 0, 5, 4);
  DrawBorderSides(canvas_.get(), r, cxbsLeftSide | cxbsBottomSide, clBlack);
  EXPECT_EQ(r, TRect(1, 0, 5, 3));
  EXPECT_EQ(Pattern(TRect(0, 0, 6, 5)),
            (std::vector<String>{"#.....", "#.....", "#.....", "#####.", "......"}));
  FillRectWithColor(canvas_.get(), TRect(0, 0, 100, 100), clWhite);
  r = TRect(0, 0, 4, 4);
  FrameTwoColorAndShrink(canvas_.get(), r, clRed, clBlue);
  EXPECT_EQ(r, TRect(1, 1, 3, 3));
  EXPECT_EQ(Px(0, 0), ColorToRGB(clRed));
  EXPECT_EQ(Px(3, 3), ColorToRGB(clBlue));
  r = TRect(10, 10, 14, 14);
  FrameAndShrink(canvas_.get(), r, clGreen);
  EXPECT_EQ(r, TRect(11, 11, 13, 13));
  EXPECT_EQ(Px(13, 10), ColorToRGB(clGreen));
  FillRectWithColor(canvas_.get(), TRect(0, 0, 100, 100), clWhite);
  const TPoint pts[] = {{0, 0}, {3, 0}, {3, 2}};
  for (bool brush : {false, true}) {
    FillRectWithColor(canvas_.get(), TRect(0, 0, 100, 100), clWhite);
    DrawOrthogonalPolyline(canvas_.get(), pts, 3, clBlack, brush);
    EXPECT_EQ(Pattern(TRect(0, 0, 5, 3)), (std::vector<String>{"####.", "...#.", "...#."})) << brush;
  }
}

TEST_F(PaintUtilsTest, Arrows) {
  EXPECT_EQ(ArrowSizeFor(TSize(10, 10), 0), TSize(5, 3));
  EXPECT_EQ(ArrowSizeFor(TSize(10, 20), 2), TSize(3, 5));
  EXPECT_EQ(ArrowSizeFor(TSize(8, 8), 1), TSize(3, 2));
  struct Case {
    Integer direction;
    bool twin, pressed;
    std::vector<String> pattern;
  } cases[] = {
      {1, false, false, {".......", ".#####.", "..###..", "...#...", "......."}},
      {0, false, false, {".......", "...#...", "..###..", ".#####.", "......."}},
      {1, false, true, {".......", ".......", "..#####", "...###.", "....#.."}},
      {3, false, false, {"..#....", "..##...", "..###..", "..##...", "..#....", "......."}},
      {1, true, false, {".#####.", "..###..", "...#...", ".#####.", "..###..", "...#..."}},
  };
  for (const auto& c : cases) {
    FillRectWithColor(canvas_.get(), TRect(0, 0, 100, 100), clWhite);
    const TRect box(0, 0, 7, Integer(c.pattern.size()));
    DrawArrowTriangles(canvas_.get(), 3, box, c.direction, c.twin, c.pressed, clBlack);
    EXPECT_EQ(Pattern(box), c.pattern) << c.direction << c.twin << c.pressed;
  }
}

TEST_F(PaintUtilsTest, GlyphsAndImages) {
  TBitmap glyph;
  glyph.SetPixelFormat(pf32bit);
  glyph.SetSize(4, 4);
  glyph.Canvas()->Brush()->SetColor(clFuchsia);
  glyph.Canvas()->FillRect(TRect(0, 0, 4, 4));
  glyph.Canvas()->Brush()->SetColor(clNavy);
  glyph.Canvas()->FillRect(TRect(1, 1, 3, 3));
  glyph.SetTransparentColor(clFuchsia);
  EXPECT_TRUE(IsGlyphAssigned(&glyph));
  EXPECT_FALSE(IsGlyphAssigned(nullptr));
  TBitmap empty;
  EXPECT_FALSE(IsGlyphAssigned(&empty));
  DrawGlyph(canvas_.get(), 10, 10, &glyph, true);
  EXPECT_EQ(Px(10, 10), ColorToRGB(clWhite));  // transparent
  EXPECT_EQ(Px(11, 11), ColorToRGB(clNavy));
  DrawGlyph(canvas_.get(), 20, 10, &glyph, true, clYellow);
  EXPECT_EQ(Px(20, 10), ColorToRGB(clYellow));
  DrawGlyph(canvas_.get(), 30, 10, &glyph, false);
  EXPECT_NE(Px(31, 11), ColorToRGB(clNavy));  // greyed
  TBitmap background;
  background.SetPixelFormat(pf24bit);
  background.SetSize(4, 4);
  background.Canvas()->Brush()->SetColor(clLime);
  background.Canvas()->FillRect(TRect(0, 0, 4, 4));
  DrawGlyph(canvas_.get(), 40, 10, &glyph, true, clNone, &background);
  EXPECT_EQ(Px(40, 10), ColorToRGB(clLime));
  EXPECT_EQ(Px(41, 11), ColorToRGB(clNavy));
  TCustomImageList images(nullptr, 4, 4);
  EXPECT_TRUE(IsImageListAssigned(&images));
  EXPECT_FALSE(IsImageListAssigned(nullptr));
  images.AddMasked(&glyph, clFuchsia);
  DrawImageViaBitmap(canvas_.get(), &images, 0, TRect(50, 10, 54, 14), clAqua, true);
  EXPECT_EQ(Px(50, 10), ColorToRGB(clAqua));
  EXPECT_EQ(Px(51, 11), ColorToRGB(clNavy));
}

TEST_F(PaintUtilsTest, LooksAndSharedRoutines) {
  EXPECT_EQ(PainterForLookAndFeel(false, lfFlat), TcxFlatLookAndFeelPainter::Class());
  EXPECT_EQ(PainterForLookAndFeel(false, lfStandard), TcxStandardLookAndFeelPainter::Class());
  EXPECT_EQ(PainterForLookAndFeel(false, lfUltraFlat), TcxUltraFlatLookAndFeelPainter::Class());
  EXPECT_EQ(PainterForLookAndFeel(false, lfOffice11), TcxOffice11LookAndFeelPainter::Class());
  // No theme library: native asks fall back to the kind.
  EXPECT_EQ(PainterForLookAndFeel(true, lfFlat), TcxFlatLookAndFeelPainter::Class());
  EXPECT_EQ(HotTrackTextColor(), TColor(0xFF0000));
  EXPECT_EQ(HighlightBorderColor(false), clHighlight);
  EXPECT_EQ(UltraFlatButtonFaceColor(true, false),
            TcxUltraFlatLookAndFeelPainter::Class()->ButtonFaceColor(cxbsPressed));
  EXPECT_EQ(MouseButtonToShift(mbRight), TShiftState{ssRight});
  EXPECT_EQ(MouseButtonCodeToShift(0), TShiftState{});
  EXPECT_EQ(MouseButtonCodeToShift(3), TShiftState{ssMiddle});
  TSize s(3, 10);
  EnlargeSize(s, TSize(5, 4));
  EXPECT_EQ(s, TSize(5, 10));
  EXPECT_TRUE(VariantsEqualStrict(Variant(1), Variant(1)));
  EXPECT_FALSE(VariantsEqualStrict(Variant(1), Variant(1.0)));
  EXPECT_FALSE(VariantsEqualStrict(Variant("a"), Variant("b")));
  for (char32_t c : {U'\0', U'\t', U'\n', U'\f', U'\r', U' '}) EXPECT_TRUE(IsTextSpaceChar(c));
  EXPECT_FALSE(IsTextSpaceChar(U'a'));
  TcxRegion empty, box(0, 0, 5, 5);
  EXPECT_TRUE(IsRegionEmpty(&empty));
  UnionRegion(&empty, &box);
  EXPECT_FALSE(IsRegionEmpty(&empty));
  // The owner component of a persistent: up the owner chain to the first component.
  TComponent owner(nullptr);
  TcxCustomEditProperties properties(&owner);
  TcxEditButton* button = properties.Buttons()->AddButton();
  EXPECT_EQ(OwnerComponentOf(button), &owner);
  EXPECT_EQ(OwnerComponentOf(&owner), &owner);
  TcxCustomEditProperties loose(nullptr);
  EXPECT_EQ(OwnerComponentOf(loose.Buttons()), nullptr);
  EXPECT_EQ(OwnerComponentOf(nullptr), nullptr);
}

}  // namespace
