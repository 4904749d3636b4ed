// TcxCanvas fills, frames, bevels, clipping, device states, rotation, regions and geometry.
#include <gtest/gtest.h>

#include "foundation/cxGeometry.h"
#include "foundation/cxGraphics.h"
#include "foundation/dxOffice11.h"
#include "rtl/TypInfo.h"
#include "tests/foundation/cxGraphicsTestUtil.h"
#include "tests/support/TestSupport.h"

using cxtest::Rgb;
using cxtest::TPaintTarget;

namespace {

// A 16 x 16 tile whose pixel (x, y) encodes its own position, so a copied pixel tells which
// tile offset it came from.
std::unique_ptr<TBitmap> PositionTile() {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) static_cast<uint32_t*>(b->ScanLine(y))[x] = ColorRefToPixel(RGB(BYTE(x * 8), BYTE(y * 8), 77));
  return b;
}

int FloorMod(int a, int m) { return ((a % m) + m) % m; }

}  // namespace

// ---- geometry ------------------------------------------------------------------------------

TEST(cxGeometry, HelpersKeepTheirIntegerRules) {
  // Halves and centring divide truncating toward zero, also for negative coordinates.
  TRect a, b;
  SplitRectInHalves(TRect(-7, 0, 0, 4), a, b);
  EXPECT_EQ(a, TRect(-7, 0, -3, 4));
  EXPECT_EQ(b, TRect(-3, 0, 0, 4));
  EXPECT_EQ(CenteredRect(TRect(0, 0, 11, 11), 4, 4), TRect(3, 3, 7, 7));
  EXPECT_EQ(CenteredRect(TRect(-11, -11, 0, 0), 4, 4), TRect(-7, -7, -3, -3));
  // Extreme coordinates do not overflow the sum.
  SplitRectInHalves(TRect(2000000000, 0, 2100000000, 1), a, b);
  EXPECT_EQ(a.Right, 2050000000);

  TRect d(1, 2, 3, 4);
  EXPECT_FALSE(IntersectRectsOrEmpty(d, TRect(0, 0, 10, 10), TRect(10, 0, 20, 10)));
  EXPECT_EQ(d, TRect());
  EXPECT_TRUE(IntersectRectsOrEmpty(d, TRect(0, 0, 10, 10), TRect(5, -5, 20, 5)));
  EXPECT_EQ(d, TRect(5, 0, 10, 5));

  struct Case { TRect got, want; };
  const TRect r(10, 20, 30, 60);
  const Case cases[] = {
      {PlaceRectRight(r, 5, 3), TRect(2, 20, 5, 60)},   {PlaceRectBottom(r, 5, 3), TRect(10, 2, 30, 5)},
      {MoveRectRightTo(r, 0), TRect(-20, 20, 0, 60)},   {MoveRectBottomTo(r, 0), TRect(10, -40, 30, 0)},
      {GrowRectSides(r, 1, 2, 3, 4), TRect(9, 18, 33, 64)}, {RectWithHorzRange(r, 1, 2), TRect(1, 20, 2, 60)},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
  TRect s = r;
  ShrinkRectByBorders(s, TRect(1, 2, 3, 4));
  EXPECT_EQ(s, TRect(11, 22, 27, 56));
}

TEST(cxGeometry, RectNotifiesOnlyRealChangesAndPublishesItsSides) {
  TcxRect r(nullptr);
  int changes = 0;
  r.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &r);
    ++changes;
  };
  r.AssignRect(TRect(1, 2, 3, 4));
  r.AssignRect(TRect(1, 2, 3, 4));
  r.SetSide(2, 3);   // unchanged
  r.SetSide(7, 99);  // no such side
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(r.GetSide(9), 4);  // any other index reads Bottom

  SetOrdProp(&r, "Right", 30);
  EXPECT_EQ(r.Rect(), TRect(1, 2, 30, 4));
  EXPECT_EQ(GetOrdProp(&r, "Top"), 2);

  TcxRect other(nullptr);
  other.Assign(&r);
  EXPECT_EQ(other.Rect(), r.Rect());
  TFont notARect;
  other.Assign(&notARect);  // anything but a TcxRect is ignored
  EXPECT_EQ(other.Rect(), r.Rect());
  InitializeCxGeometry();
  EXPECT_EQ(GetClass("TcxRect"), TcxRect::StaticClass());
}

// ---- fills ---------------------------------------------------------------------------------

TEST(cxCanvas, FillBackgroundTilesAlignToTheBitmapEvenLeftOfTheOrigin) {
  auto tile = PositionTile();
  struct Case {
    TRect r;          // logical
    TPoint origin;    // window origin
  };
  const Case cases[] = {
      {TRect(10, 10, 40, 40), {0, 0}},
      {TRect(16, 0, 32, 16), {0, 0}},
      // Logical coordinates left of and above the origin: no gap, same alignment.
      {TRect(-21, -13, 9, 20), {-30, -20}},
      {TRect(-32, -16, -16, 0), {-40, -20}},
  };
  for (const Case& c : cases) {
    TPaintTarget t(64, 64, clWhite);
    t.canvas->SetWindowOrigin(c.origin);
    t.canvas->FillBackground(c.r, tile.get());
    TRect device = ShiftedRect(c.r, -c.origin.X, -c.origin.Y);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        int lx = x + c.origin.X, ly = y + c.origin.Y;
        COLORREF want = device.Contains({x, y}) ? RGB(BYTE(FloorMod(lx, 16) * 8), BYTE(FloorMod(ly, 16) * 8), 77) : 0xFFFFFF;
        ASSERT_EQ(t.Px(x, y), want) << "rect " << c.r.Left << "," << c.r.Top << " at " << x << "," << y;
      }
  }
}

TEST(cxCanvas, FillBackgroundWithoutBitmapUsesTheBrushAndEmptyRectsDoNothing) {
  TPaintTarget t(20, 20, clWhite);
  t.canvas->SetBrushColor(clRed);
  t.canvas->FillBackground(TRect(5, 5, 5, 15));  // zero width
  t.canvas->FillBackground(TRect(5, 5, 15, 2));  // negative height
  TBitmap empty;
  t.canvas->FillBackground(TRect(0, 0, 4, 4), &empty);
  EXPECT_EQ(t.InkBounds(0xFFFFFF), TRect(0, 0, 4, 4));
  EXPECT_EQ(t.Px(3, 3), Rgb(clRed));
  // With exclusion the filled rect leaves the clip.
  t.canvas->FillBackground(TRect(10, 10, 12, 12), nullptr, true);
  t.canvas->FillRectColor(TRect(0, 0, 20, 20), clBlue);
  EXPECT_EQ(t.Px(10, 10), Rgb(clRed));
  EXPECT_EQ(t.Px(12, 12), Rgb(clBlue));
}

TEST(cxCanvas, FrameSidesNeverLeaveTheRect) {
  struct Case {
    TRect r;
    int width;
    TcxBorders borders;
    TRect ink;  // bounds of what is painted
  };
  const Case cases[] = {
      {TRect(5, 5, 15, 13), 20, cxBordersAll, TRect(5, 5, 15, 13)},
      {TRect(5, 5, 15, 13), 20, {bLeft}, TRect(5, 5, 15, 13)},
      {TRect(5, 5, 15, 13), 3, {bRight}, TRect(12, 5, 15, 13)},
      {TRect(5, 5, 15, 13), 2, {bBottom}, TRect(5, 11, 15, 13)},
      {TRect(5, 5, 15, 13), 0, cxBordersAll, TRect()},
      {TRect(5, 5, 5, 13), 2, cxBordersAll, TRect()},
  };
  for (const Case& c : cases) {
    TPaintTarget t(20, 20, clWhite);
    t.canvas->DrawFrameSides(c.r, clBlack, c.width, c.borders);
    EXPECT_EQ(t.InkBounds(0xFFFFFF), c.ink);
  }
  // A frame of width 2 leaves the inside alone; clNone draws nothing.
  TPaintTarget t(20, 20, clWhite);
  t.canvas->DrawFrameSides(TRect(2, 2, 12, 12), clNone, 2);
  EXPECT_EQ(t.InkBounds(0xFFFFFF), TRect());
  t.canvas->DrawFrameSides(TRect(2, 2, 12, 12), clBlack, 2, cxBordersAll, true);
  EXPECT_EQ(t.Px(4, 4), 0xFFFFFFu);
  EXPECT_EQ(t.Px(3, 11), 0u);
  // Excluded: a later fill of everything leaves the frame black.
  t.canvas->FillRectColor(TRect(0, 0, 20, 20), clLime);
  EXPECT_EQ(t.Px(2, 2), 0u);
  EXPECT_EQ(t.Px(4, 4), Rgb(clLime));
}

TEST(cxCanvas, FramedAreaFillsInsideTheFrameWithTheParamsColour) {
  TPaintTarget t(20, 20, clWhite);
  TcxStyleParams p;
  p.Color = clYellow;
  t.canvas->FillFramedArea(TRect(0, 0, 10, 10), p, {bLeft, bTop}, clBlack, 2);
  EXPECT_EQ(t.Px(1, 5), 0u);
  EXPECT_EQ(t.Px(5, 1), 0u);
  EXPECT_EQ(t.Px(2, 2), Rgb(clYellow));
  EXPECT_EQ(t.Px(9, 9), Rgb(clYellow));
  EXPECT_EQ(t.Px(10, 10), 0xFFFFFFu);
}

TEST(cxCanvas, BevelEdgesUseTheirSystemColoursAndBottomRightOwnsTwoCorners) {
  struct Case {
    bool sunken, outer;
    TColor tl, br;
  };
  const Case cases[] = {
      {true, true, clBtnShadow, clBtnHighlight},
      {true, false, cl3DDkShadow, cl3DLight},
      {false, true, cl3DLight, cl3DDkShadow},
      {false, false, clBtnHighlight, clBtnShadow},
  };
  // Distinct system colours make every mix-up visible.
  const int idx[] = {COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT};
  const COLORREF val[] = {RGB(10, 20, 30), RGB(40, 50, 60), RGB(70, 80, 90), RGB(100, 110, 120)};
  SetSysColors(4, idx, val);
  for (const Case& c : cases) {
    TPaintTarget t(12, 12, clWhite);
    t.canvas->DrawBevelEdge(TRect(1, 1, 11, 11), c.sunken, c.outer);
    EXPECT_EQ(t.Px(1, 1), Rgb(c.tl));
    EXPECT_EQ(t.Px(1, 5), Rgb(c.tl));
    EXPECT_EQ(t.Px(5, 1), Rgb(c.tl));
    EXPECT_EQ(t.Px(10, 5), Rgb(c.br));
    EXPECT_EQ(t.Px(5, 10), Rgb(c.br));
    EXPECT_EQ(t.Px(10, 1), Rgb(c.br));  // top-right corner
    EXPECT_EQ(t.Px(1, 10), Rgb(c.br));  // bottom-left corner
    EXPECT_EQ(t.Px(5, 5), 0xFFFFFFu);
  }
  ResetSysColors();
}

TEST(cxCanvas, InvertFrameInvertsEachPixelOnceAndFocusFrameTwiceLeavesNoTrace) {
  TPaintTarget t(20, 20, RGB(0x12, 0x34, 0x56));
  t.canvas->InvertFrame(TRect(2, 2, 18, 18), 3);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      bool inFrame = TRect(2, 2, 18, 18).Contains({x, y}) && !TRect(5, 5, 15, 15).Contains({x, y});
      ASSERT_EQ(t.Px(x, y), inFrame ? (~RGB(0x12, 0x34, 0x56) & 0xFFFFFF) : RGB(0x12, 0x34, 0x56)) << x << "," << y;
    }
  TPaintTarget f(20, 20, RGB(0x40, 0x80, 0xC0));
  f.canvas->DrawFocusFrame(TRect(1, 1, 19, 19));
  EXPECT_NE(f.InkBounds(RGB(0x40, 0x80, 0xC0)), TRect());
  f.canvas->DrawFocusFrame(TRect(1, 1, 19, 19));
  EXPECT_EQ(f.InkBounds(RGB(0x40, 0x80, 0xC0)), TRect());
}

// ---- clipping and state --------------------------------------------------------------------

TEST(cxCanvas, ClipRegionCopiesAndCombinations) {
  TPaintTarget t(40, 40, clWhite);
  // Without a clip region the copy is the big default rectangle (moved by the origin).
  std::unique_ptr<TcxRegion> r(t.canvas->CopyClipRegion(false));
  EXPECT_EQ(r->BoundsRect(), TRect(0, 0, 30000, 30000));
  t.canvas->SetWindowOrigin(TPoint(-5, -7));
  r.reset(t.canvas->CopyClipRegion(true));
  EXPECT_EQ(r->BoundsRect(), TRect(-5, -7, 29995, 29993));

  // Intersecting with a logical rect clips drawing there (device = logical + (5, 7)).
  t.canvas->ApplyClipRegion(new TcxRegion(0, 0, 10, 10), roIntersect);
  t.canvas->FillRectColor(TRect(-5, -7, 35, 33), clBlack);
  EXPECT_EQ(t.InkBounds(0xFFFFFF), TRect(5, 7, 15, 17));
  EXPECT_TRUE(t.canvas->IsRectFullyVisible(TRect(1, 1, 9, 9)));
  EXPECT_FALSE(t.canvas->IsRectFullyVisible(TRect(5, 5, 15, 15)));
  EXPECT_TRUE(t.canvas->IsRectPartlyVisible(TRect(5, 5, 15, 15)));
  EXPECT_FALSE(t.canvas->IsRectPartlyVisible(TRect(20, 20, 25, 25)));

  // A region kept by the caller comes back unmoved.
  TcxRegion kept(0, 0, 4, 4);
  t.canvas->ApplyClipRegion(&kept, roSet, false, true);
  EXPECT_EQ(kept.BoundsRect(), TRect(0, 0, 4, 4));
  r.reset(t.canvas->CopyClipRegion(true));
  EXPECT_EQ(r->BoundsRect(), TRect(0, 0, 4, 4));
  t.canvas->ApplyClipRegion(new TcxRegion(0, 0, 2, 4), roSubtract);
  r.reset(t.canvas->CopyClipRegion(true));
  EXPECT_EQ(r->BoundsRect(), TRect(2, 0, 4, 4));
}

TEST(cxCanvas, DeviceStatesNestAndPopOnEmptyDoesNothing) {
  TPaintTarget t(20, 20, clWhite);
  t.canvas->PopDeviceState();  // nothing saved
  t.canvas->PushDeviceState();
  t.canvas->IntersectClip(TRect(0, 0, 5, 5));
  t.canvas->PushDeviceState();
  t.canvas->SetWindowOrigin(TPoint(3, 3));
  t.canvas->ExcludeFromClip(TRect(0, 0, 1, 1));
  EXPECT_EQ(t.canvas->SavedStateCount(), 2);
  t.canvas->PopDeviceState();
  EXPECT_EQ(t.canvas->WindowOrigin(), TPoint(0, 0));
  t.canvas->FillRectColor(TRect(0, 0, 20, 20), clBlack);
  EXPECT_EQ(t.InkBounds(0xFFFFFF), TRect(0, 0, 5, 5));
  t.canvas->PopDeviceState();
  t.canvas->FillRectColor(TRect(0, 0, 20, 20), clBlack);
  EXPECT_EQ(t.InkBounds(0xFFFFFF), TRect(0, 0, 20, 20));
  EXPECT_EQ(t.canvas->SavedStateCount(), 0);
  // Brush and font are selected again after a pop: drawing uses the current colours.
  t.canvas->PushDeviceState();
  t.canvas->SetBrushColor(clRed);
  t.canvas->PopDeviceState();
  t.canvas->FillRectColor(TRect(0, 0, 1, 1));
  EXPECT_EQ(t.Px(0, 0), Rgb(clRed));
}

TEST(cxCanvas, ViewParamsRoundTrip) {
  TPaintTarget t(4, 4);
  TFont font;
  font.SetName("Courier New");
  t.canvas->SetBrushColor(clAqua);
  t.canvas->CurrentFont()->SetColor(clMaroon);
  TcxStyleParams p;
  t.canvas->CaptureViewParams(p);
  EXPECT_EQ(p.Color, clAqua);
  EXPECT_EQ(p.TextColor, clMaroon);
  TcxStyleParams q;
  q.Color = clNavy;
  q.Font = &font;
  q.TextColor = clTeal;
  t.canvas->RestoreViewParams(q);
  EXPECT_EQ(t.canvas->CurrentBrush()->Color(), clNavy);
  EXPECT_EQ(t.canvas->CurrentFont()->Name(), "Courier New");
  EXPECT_EQ(t.canvas->CurrentFont()->Color(), clTeal);
}

TEST(cxRegion, CombineCompareAndRelease) {
  TcxRegion a(0, 0, 10, 10);
  a.CombineWith(new TcxRegion(20, 20, 30, 30), roSet);
  EXPECT_EQ(a.BoundsRect(), TRect(20, 20, 30, 30));
  a.CombineWith(new TcxRegion(25, 25, 40, 40), roAdd);
  EXPECT_TRUE(a.ContainsXY(35, 35));
  a.CombineWith(new TcxRegion(20, 20, 40, 25), roSubtract);
  EXPECT_FALSE(a.ContainsPoint(TPoint(21, 21)));
  a.CombineWith(new TcxRegion(0, 0, 30, 30), roIntersect);
  EXPECT_EQ(a.BoundsRect(), TRect(20, 25, 30, 30));
  TcxRegion keep(20, 25, 30, 30);
  a.CombineWith(&keep, roAdd, false);  // not freed
  EXPECT_TRUE(a.EqualsRegion(&keep));
  EXPECT_FALSE(a.EqualsRegion(nullptr));
  TcxRegion e1, e2(3, 3, 3, 3);
  EXPECT_TRUE(e1.IsEmpty());
  EXPECT_TRUE(e1.EqualsRegion(&e2));
  a.ShiftBy(-20, -25);
  EXPECT_EQ(a.BoundsRect(), TRect(0, 0, 10, 5));
  HRGN h = a.ReleaseHandle();
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_TRUE(keep.IsEqualToHandle(h) == false);  // h holds the shifted region
  DeleteObject(h);
}

TEST(cxCanvas, RotateBitmapPixelsTable) {
  // A 3 x 2 bitmap with distinct pixels; (x, y) holds value 10 y + x + 1.
  struct Case {
    int code;
    bool mirror;
    int w, h;
    std::vector<uint32_t> rows;  // expected, top-down
  };
  const Case cases[] = {
      {0, false, 3, 2, {1, 2, 3, 11, 12, 13}},
      {0, true, 3, 2, {11, 12, 13, 1, 2, 3}},
      {1, false, 2, 3, {3, 13, 2, 12, 1, 11}},
      {1, true, 2, 3, {1, 11, 2, 12, 3, 13}},
      {2, false, 2, 3, {11, 1, 12, 2, 13, 3}},
      {2, true, 2, 3, {13, 3, 12, 2, 11, 1}},
      {3, false, 3, 2, {13, 12, 11, 3, 2, 1}},
      {3, true, 3, 2, {3, 2, 1, 13, 12, 11}},
  };
  for (const Case& c : cases) {
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(3, 2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) static_cast<uint32_t*>(b.ScanLine(y))[x] = uint32_t(10 * y + x + 1);
    TcxCanvas::RotateBitmapPixels(&b, c.code, c.mirror);
    ASSERT_EQ(b.Width(), c.w) << c.code << c.mirror;
    ASSERT_EQ(b.Height(), c.h);
    std::vector<uint32_t> got;
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) got.push_back(static_cast<uint32_t*>(b.ScanLine(y))[x]);
    EXPECT_EQ(got, c.rows) << "code " << c.code << " mirror " << c.mirror;
  }
  TcxCanvas::RotateBitmapPixels(nullptr, 1, false);  // nothing to do
}

TEST(cxCanvas, DragInsertionArrowsPointAtTheirAnchors) {
  struct Case {
    int side;
    TPoint inArrow1, inArrow2;  // pixels inside each arrow's body (brush colour)
  };
  const Case cases[] = {
      {0, {20, 13}, {20, 27}},  // left side: arrows above (Left, Top) and below (Left, Bottom)
      {1, {13, 20}, {37, 20}},  // top side: arrows left of (Left, Top) and right of (Right, Top)
  };
  for (const Case& c : cases) {
    TPaintTarget t(60, 60, clWhite);
    t.canvas->CurrentBrush()->SetStyle(bsSolid);
    DrawDragInsertionArrows(t.canvas.get(), TRect(20, 20, 30, 20 + (c.side == 0 ? 5 : 0)), c.side, clRed);
    EXPECT_EQ(t.Px(c.inArrow1.X, c.inArrow1.Y), Rgb(clRed)) << c.side;
    EXPECT_EQ(t.Px(c.inArrow2.X, c.inArrow2.Y), Rgb(clRed)) << c.side;
    // The outline is the brush colour inverted.
    bool outline = false;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 60; ++x) outline |= t.Px(x, y) == (~Rgb(clRed) & 0xFFFFFF);
    EXPECT_TRUE(outline);
  }
}

// ---- a sheet to look at --------------------------------------------------------------------

TEST(cxCanvas, SheetOfFillsFramesBevelsGradientsAndGlyphs) {
  TPaintTarget t(360, 200, clBtnFace);
  TcxCanvas& c = *t.canvas;
  auto tile = PositionTile();
  c.FillBackground(TRect(-8, -8, 80, 60), tile.get());
  c.DrawFrameSides(TRect(90, 10, 150, 60), clNavy, 3);
  c.DrawFrameSides(TRect(160, 10, 170, 60), clMaroon, 30, {bLeft, bBottom});
  c.DrawTwoColorFrame(TRect(180, 10, 240, 60), clRed, clBlue, cxBordersAll, 2);
  c.DrawBevelEdge(TRect(250, 10, 300, 60), false, true);
  c.DrawBevelEdge(TRect(251, 11, 299, 59), false, false);
  c.DrawBevelEdge(TRect(305, 10, 355, 60), true, true);
  c.DrawBevelEdge(TRect(306, 11, 354, 59), true, false);
  HDC dc = c.DeviceContext();
  FillGradientRect(dc, TRect(10, 70, 170, 100), clWhite, clNavy, true);
  FillGradientRect(dc, TRect(180, 70, 230, 190), clYellow, clRed, false);
  InitializeDxOffice11();
  AcquireOffice11Colors();
  c.Canvas()->Draw(240, 70, Office11ExpandedGlyph());
  c.Canvas()->Draw(260, 70, Office11CollapsedGlyph());
  DrawGripDots(dc, TRect(240, 90, 270, 120));
  FrameOffice11HighlightRect(dc, TRect(280, 70, 350, 120));
  ReleaseOffice11ColorSet();
  c.InvertFrame(TRect(10, 110, 60, 150), 4);
  c.DrawFocusFrame(TRect(70, 110, 160, 150));
  DrawDragInsertionArrows(&c, TRect(120, 170, 160, 170), 1, clLime);
  // A glyph with a transparent colour, normal and disabled.
  TBitmap glyph;
  glyph.SetPixelFormat(pf32bit);
  glyph.SetSize(16, 16);
  glyph.Canvas()->Brush()->SetColor(clFuchsia);
  glyph.Canvas()->FillRect(TRect(0, 0, 16, 16));
  glyph.Canvas()->Brush()->SetColor(clGreen);
  glyph.Canvas()->FillRect(TRect(3, 3, 13, 13));
  c.DrawGlyph(10, 160, &glyph);
  c.DrawGlyph(30, 160, &glyph, false);
  c.DrawGlyph(50, 160, &glyph, true, clYellow);
  String path = testing_support::SheetPath("foundation_canvas.png");
  t.bitmap.SaveToPngFile(path);
  EXPECT_EQ(t.Px(160, 59), Rgb(clMaroon));  // the wide frame side stays in its rect
  EXPECT_EQ(t.Px(170, 30), Rgb(clBtnFace));
}
