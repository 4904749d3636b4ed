// Region algebra and region shapes.
#include "GdiTestUtil.h"

namespace {
std::vector<RECT> RectsOf(HRGN r) {
  std::vector<RECT> v;
  GetRgnRects(r, v);
  return v;
}
}  // namespace

TEST(GdiRegions, Algebra) {
  // Two overlapping squares: a = (0,0)-(4,4), b = (2,2)-(6,6).
  struct Case {
    int mode;
    int complexity;
    int area;
    std::vector<POINT> inside, outside;
  } cases[] = {
      {RGN_AND, SIMPLEREGION, 4, {{2, 2}, {3, 3}}, {{1, 1}, {4, 4}}},
      {RGN_OR, COMPLEXREGION, 28, {{0, 0}, {5, 5}, {3, 3}}, {{5, 0}, {0, 5}, {6, 6}}},
      {RGN_XOR, COMPLEXREGION, 24, {{0, 0}, {5, 5}}, {{2, 2}, {3, 3}, {5, 0}}},
      {RGN_DIFF, COMPLEXREGION, 12, {{0, 0}, {3, 1}, {1, 3}}, {{2, 2}, {5, 5}}},
      {RGN_COPY, SIMPLEREGION, 16, {{0, 0}, {3, 3}}, {{4, 4}}},
  };
  HRGN a = CreateRectRgn(0, 0, 4, 4), b = CreateRectRgn(2, 2, 6, 6);
  for (const Case& c : cases) {
    HRGN d = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(d, a, b, c.mode), c.complexity) << c.mode;
    int area = 0;
    for (const RECT& r : RectsOf(d)) area += r.Width() * r.Height();
    EXPECT_EQ(area, c.area) << c.mode;
    for (POINT p : c.inside) EXPECT_TRUE(PtInRegion(d, p.X, p.Y)) << c.mode << " " << p.X << "," << p.Y;
    for (POINT p : c.outside) EXPECT_FALSE(PtInRegion(d, p.X, p.Y)) << c.mode << " " << p.X << "," << p.Y;
    DeleteObject(d);
  }
  // The destination may be one of the sources.
  EXPECT_EQ(CombineRgn(a, a, b, RGN_AND), SIMPLEREGION);
  RECT box;
  EXPECT_EQ(GetRgnBox(a, &box), SIMPLEREGION);
  EXPECT_EQ(box, RECT(2, 2, 4, 4));
  EXPECT_EQ(CombineRgn(a, a, a, RGN_DIFF), NULLREGION);
  EXPECT_EQ(GetRgnBox(a, &box), NULLREGION);
  EXPECT_EQ(box, RECT());
  DeleteObject(a);
  DeleteObject(b);
}

TEST(GdiRegions, OffsetEqualAndRectInRegion) {
  HRGN a = CreateRectRgn(0, 0, 3, 3), b = CreateRectRgn(5, 5, 8, 8);
  EXPECT_FALSE(EqualRgn(a, b));
  EXPECT_EQ(OffsetRgn(a, 5, 5), SIMPLEREGION);
  EXPECT_TRUE(EqualRgn(a, b));
  RECT touching(8, 8, 10, 10), overlapping(7, 7, 10, 10);
  EXPECT_FALSE(RectInRegion(a, &touching));
  EXPECT_TRUE(RectInRegion(a, &overlapping));
  // Reversed corners are normalised.
  HRGN c = CreateRectRgn(8, 8, 5, 5);
  EXPECT_TRUE(EqualRgn(b, c));
  SetRectRgn(c, 0, 0, 0, 0);
  EXPECT_EQ(GetRgnBox(c, nullptr), ERROR);
  RECT box;
  EXPECT_EQ(GetRgnBox(c, &box), NULLREGION);
  DeleteObject(a);
  DeleteObject(b);
  DeleteObject(c);
}

TEST(GdiRegions, ShapesMatchTheirDrawings) {
  // An elliptic region covers what Ellipse draws; a polygon region what Polygon fills.
  HRGN e = CreateEllipticRgn(1, 1, 11, 9);
  Canvas cv(12, 10);
  SelectObject(cv.dc, GetStockObject(BLACK_BRUSH));
  Ellipse(cv.dc, 1, 1, 11, 9);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x)
      EXPECT_EQ(PtInRegion(e, x, y) != 0, cv.At(x, y) == RGB(0, 0, 0)) << x << "," << y;
  RECT box;
  GetRgnBox(e, &box);
  EXPECT_EQ(box, RECT(1, 1, 11, 9));
  POINT tri[] = {{0, 0}, {8, 0}, {0, 8}};
  HRGN p = CreatePolygonRgn(tri, 3, ALTERNATE);
  EXPECT_TRUE(PtInRegion(p, 0, 0));
  EXPECT_TRUE(PtInRegion(p, 6, 0));
  EXPECT_FALSE(PtInRegion(p, 7, 1));
  EXPECT_FALSE(PtInRegion(p, 8, 0));
  // Winding fills the centre of a doubly wound star-like figure that alternate leaves open.
  POINT twice[] = {{0, 0}, {6, 0}, {6, 6}, {0, 6}, {0, 0}, {6, 0}, {6, 6}, {0, 6}};
  HRGN alt = CreatePolygonRgn(twice, 8, ALTERNATE);
  HRGN wind = CreatePolygonRgn(twice, 8, WINDING);
  EXPECT_TRUE(PtInRegion(wind, 3, 3));
  EXPECT_FALSE(PtInRegion(alt, 3, 3));
  HRGN rr = CreateRoundRectRgn(0, 0, 10, 10, 4, 4);
  EXPECT_FALSE(PtInRegion(rr, 0, 0));
  EXPECT_TRUE(PtInRegion(rr, 5, 0));
  EXPECT_TRUE(PtInRegion(rr, 0, 5));
  for (HRGN r : {e, p, alt, wind, rr}) DeleteObject(r);
}

TEST(GdiRegions, FillFrameAndPaintInLogicalUnits) {
  Canvas cv(8, 8);
  SetViewportOrgEx(cv.dc, 1, 1, nullptr);
  HRGN r = CreateRectRgn(1, 1, 6, 6);
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  FrameRgn(cv.dc, r, black, 1, 1);
  EXPECT_EQ(cv.Ink(RGB(255, 255, 255)), RECT(2, 2, 7, 7));
  EXPECT_EQ(cv.At(3, 3), RGB(255, 255, 255));
  FillRgn(cv.dc, r, black);
  EXPECT_EQ(cv.At(3, 3), RGB(0, 0, 0));
  InvertRgn(cv.dc, r);
  EXPECT_EQ(cv.At(3, 3), RGB(255, 255, 255));
  DeleteObject(r);
}
