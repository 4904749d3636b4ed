// Exact pixels of the drawing primitives, raster operations, clipping and origins.
#include <functional>

#include "GdiTestUtil.h"

namespace {

std::string Rows(std::initializer_list<const char*> rows) {
  std::string s;
  for (const char* r : rows) s += std::string(r) + "\n";
  return s;
}
}  // namespace

TEST(GdiLines, EndPointIsExcluded) {
  struct Case {
    POINT from, to;
    std::string expected;
  } cases[] = {
      {{1, 1}, {5, 1}, Rows({"......", ".####.", "......", "......"})},
      {{5, 2}, {1, 2}, Rows({"......", "......", "..####", "......"})},
      {{0, 0}, {0, 3}, Rows({"#.....", "#.....", "#.....", "......"})},
      {{0, 0}, {3, 3}, Rows({"#.....", ".#....", "..#...", "......"})},
      {{3, 3}, {0, 0}, Rows({"......", ".#....", "..#...", "...#.."})},
      {{2, 2}, {2, 2}, Rows({"......", "......", "......", "......"})},
  };
  for (const Case& c : cases) {
    Canvas cv(6, 4);
    MoveToEx(cv.dc, c.from.X, c.from.Y, nullptr);
    LineTo(cv.dc, c.to.X, c.to.Y);
    EXPECT_EQ(cv.Mask(kWhite), c.expected) << c.from.X << "," << c.from.Y << " -> " << c.to.X << "," << c.to.Y;
    POINT p;
    GetCurrentPositionEx(cv.dc, &p);
    EXPECT_EQ(p, c.to);
  }
}

TEST(GdiLines, PolylineDrawsSharedVerticesOnceUnderXor) {
  Canvas cv(6, 6);
  SetROP2(cv.dc, R2_XORPEN);
  Selected pen(cv.dc, CreatePen(PS_SOLID, 1, kWhite));
  POINT pts[] = {{1, 1}, {4, 1}, {4, 4}, {1, 4}, {1, 1}};
  Polyline(cv.dc, pts, 5);
  // XOR of white on white gives black: every outline pixel is hit exactly once.
  EXPECT_EQ(cv.Mask(kWhite), Rows({"......", ".####.", ".#..#.", ".#..#.", ".####.", "......"}));
}

TEST(GdiLines, PenStyles) {
  struct Case {
    const char* name;
    std::function<HPEN()> make;
    int bkMode;
    std::string row;  // 12 pixels of a horizontal line: '#' pen, 'b' background colour, '.' untouched
  } cases[] = {
      {"dot", [] { return CreatePen(PS_DOT, 1, kBlack); }, TRANSPARENT, "###...###..."},
      {"dot opaque", [] { return CreatePen(PS_DOT, 1, kBlack); }, OPAQUE, "###bbb###bbb"},
      {"dash", [] { return CreatePen(PS_DASH, 1, kBlack); }, TRANSPARENT, "############"},
      {"alternate", [] {
         LOGBRUSH lb{BS_SOLID, kBlack, 0};
         return ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
       }, TRANSPARENT, "#.#.#.#.#.#."},
      {"user style", [] {
         LOGBRUSH lb{BS_SOLID, kBlack, 0};
         DWORD st[] = {2, 1};
         return ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &lb, 2, st);
       }, TRANSPARENT, "##.##.##.##."},
      {"null", [] { return CreatePen(PS_NULL, 1, kBlack); }, OPAQUE, "............"},
  };
  for (const Case& c : cases) {
    Canvas cv(12, 1);
    HPEN pen = c.make();
    ASSERT_NE(pen, nullptr) << c.name;
    Selected sel(cv.dc, pen);
    SetBkMode(cv.dc, c.bkMode);
    SetBkColor(cv.dc, kRed);
    MoveToEx(cv.dc, 0, 0, nullptr);
    LineTo(cv.dc, 12, 0);
    std::string got;
    for (int x = 0; x < 12; ++x) got += cv.At(x, 0) == kBlack ? '#' : cv.At(x, 0) == kRed ? 'b' : '.';
    EXPECT_EQ(got, c.row) << c.name;
  }
  // Styled pens wider than one pixel draw solid; geometric pens cannot alternate.
  LOGBRUSH lb{BS_SOLID, kBlack, 0};
  EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_ALTERNATE, 1, &lb, 0, nullptr), nullptr);
}

TEST(GdiShapes, RectangleEdgesAndNullPen) {
  Canvas cv(8, 6);
  Selected brush(cv.dc, CreateSolidBrush(kRed));
  Rectangle(cv.dc, 1, 1, 6, 5);
  EXPECT_EQ(cv.Mask(kWhite), Rows({"........", ".#####..", ".#####..", ".#####..", ".#####..", "........"}));
  EXPECT_EQ(cv.At(1, 1), kBlack);
  EXPECT_EQ(cv.At(5, 4), kBlack);
  EXPECT_EQ(cv.At(2, 2), kRed);
  EXPECT_EQ(cv.At(4, 3), kRed);

  cv.Clear(kWhite);
  SelectObject(cv.dc, GetStockObject(NULL_PEN));
  Rectangle(cv.dc, 1, 1, 6, 5);
  // Without a pen the fill is one pixel smaller to the right and below.
  EXPECT_EQ(cv.Mask(kWhite), Rows({"........", ".####...", ".####...", ".####...", "........", "........"}));
}

TEST(GdiShapes, FillFrameAndInvertRect) {
  Canvas cv(6, 5);
  RECT r(1, 1, 5, 4);
  HBRUSH red = CreateSolidBrush(kRed);
  FillRect(cv.dc, &r, red);
  EXPECT_EQ(cv.Mask(kWhite), Rows({"......", ".####.", ".####.", ".####.", "......"}));
  cv.Clear(kWhite);
  FrameRect(cv.dc, &r, red);
  EXPECT_EQ(cv.Mask(kWhite), Rows({"......", ".####.", ".#..#.", ".####.", "......"}));
  // A system colour index + 1 stands for the system colour brush.
  FillRect(cv.dc, &r, reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1)));
  EXPECT_EQ(cv.At(2, 2), GetSysColor(COLOR_BTNFACE));
  auto before = cv.Pixels();
  InvertRect(cv.dc, &r);
  EXPECT_EQ(cv.At(2, 2), RGB(63, 63, 63));
  InvertRect(cv.dc, &r);
  EXPECT_EQ(cv.Pixels(), before);
  DeleteObject(red);
}

TEST(GdiShapes, EllipseIsSymmetricAndTouchesItsBox) {
  Canvas cv(14, 14);
  Selected brush(cv.dc, CreateSolidBrush(kRed));
  Ellipse(cv.dc, 1, 1, 13, 13);
  EXPECT_EQ(cv.Ink(kWhite), RECT(1, 1, 13, 13));
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 14; ++x) {
      EXPECT_EQ(cv.At(x, y), cv.At(13 - x, y)) << x << "," << y;
      EXPECT_EQ(cv.At(x, y), cv.At(y, x)) << x << "," << y;
    }
  EXPECT_EQ(cv.At(1, 6), kBlack);   // outline on the left edge, mid-height
  EXPECT_EQ(cv.At(7, 7), kRed);     // brush inside
  EXPECT_EQ(cv.At(1, 1), kWhite);   // corners stay outside
  // A round rectangle with no rounding is a rectangle.
  cv.Clear(kWhite);
  RoundRect(cv.dc, 2, 2, 8, 6, 0, 0);
  Canvas ref(14, 14);
  {
    Selected b2(ref.dc, CreateSolidBrush(kRed));
    Rectangle(ref.dc, 2, 2, 8, 6);
  }
  EXPECT_EQ(cv.Pixels(), ref.Pixels());
}

TEST(GdiShapes, PolygonFillsInsideWithOutline) {
  Canvas cv(8, 8);
  SelectObject(cv.dc, GetStockObject(NULL_PEN));
  Selected brush(cv.dc, CreateSolidBrush(kBlack));
  POINT square[] = {{1, 1}, {6, 1}, {6, 5}, {1, 5}};
  Polygon(cv.dc, square, 4);
  // Pixel centres inside the outline: right and bottom edges stay out.
  EXPECT_EQ(cv.Ink(kWhite), RECT(1, 1, 6, 5));
}

TEST(GdiBrushes, PatternAlignsToBrushOrigin) {
  // A monochrome 8 x 8 pattern with one black (0) bit at (0, 0).
  uint8_t bits[16];
  for (int i = 0; i < 16; i += 2) {
    bits[i] = 0xFF;
    bits[i + 1] = 0;
  }
  bits[0] = 0x7F;
  HBITMAP pat = CreateBitmap(8, 8, 1, 1, bits);
  struct Case {
    POINT brushOrg, viewportOrg;
    POINT expectedBlack;  // the first black pixel in the 16 x 16 canvas
  } cases[] = {
      {{0, 0}, {0, 0}, {0, 0}},
      {{3, 2}, {0, 0}, {3, 2}},
      {{11, 10}, {0, 0}, {3, 2}},
      // The brush origin is in device units: moving the viewport does not move the pattern.
      {{3, 2}, {5, 5}, {3, 2}},
  };
  for (const Case& c : cases) {
    Canvas cv(16, 16);
    SetTextColor(cv.dc, kBlack);
    SetBkColor(cv.dc, kWhite);
    SetBrushOrgEx(cv.dc, c.brushOrg.X, c.brushOrg.Y, nullptr);
    SetViewportOrgEx(cv.dc, c.viewportOrg.X, c.viewportOrg.Y, nullptr);
    HBRUSH b = CreatePatternBrush(pat);
    RECT all(-20, -20, 40, 40);
    FillRect(cv.dc, &all, b);
    DeleteObject(b);
    int blacks = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        if (cv.At(x, y) == kBlack) {
          ++blacks;
          EXPECT_EQ((x - c.expectedBlack.X) % 8, 0);
          EXPECT_EQ((y - c.expectedBlack.Y) % 8, 0);
        }
    EXPECT_EQ(blacks, 4);
  }
  // In a surface DC the pattern follows the DC origin.
  TSurface surf(16, 16);
  surf.Fill(0xFFFFFF);
  HDC sdc = CreateSurfaceDC(&surf, POINT(4, 4), nullptr);
  HBRUSH b = CreatePatternBrush(pat);
  RECT all(0, 0, 12, 12);
  FillRect(sdc, &all, b);
  EXPECT_EQ(surf.At(4, 4) & 0xFFFFFF, 0u);
  EXPECT_EQ(surf.At(12, 12) & 0xFFFFFF, 0u);
  EXPECT_EQ(surf.At(5, 4) & 0xFFFFFF, 0xFFFFFFu);
  DeleteObject(b);
  DeleteDC(sdc);
  DeleteObject(pat);
}

TEST(GdiBrushes, HatchGapsFollowBackgroundMode) {
  Canvas cv(8, 8);
  Selected brush(cv.dc, CreateHatchBrush(HS_HORIZONTAL, kBlack));
  SetBkColor(cv.dc, kRed);
  SetBkMode(cv.dc, TRANSPARENT);
  PatBlt(cv.dc, 0, 0, 8, 8, PATCOPY);
  EXPECT_EQ(cv.At(3, 0), kBlack);
  EXPECT_EQ(cv.At(3, 1), kWhite);
  SetBkMode(cv.dc, OPAQUE);
  PatBlt(cv.dc, 0, 0, 8, 8, PATCOPY);
  EXPECT_EQ(cv.At(3, 1), kRed);
}

TEST(GdiRaster, BinaryRasterOperations) {
  const uint32_t P = 0x00F0CC, D = 0x00AAAA;  // pen and destination as pixels
  struct Case {
    int rop2;
    uint32_t expected;
  } cases[] = {
      {R2_BLACK, 0},           {R2_NOTMERGEPEN, ~(P | D)}, {R2_MASKNOTPEN, ~P & D},
      {R2_NOTCOPYPEN, ~P},     {R2_MASKPENNOT, P & ~D},    {R2_NOT, ~D},
      {R2_XORPEN, P ^ D},      {R2_NOTMASKPEN, ~(P & D)},  {R2_MASKPEN, P & D},
      {R2_NOTXORPEN, ~(P ^ D)}, {R2_NOP, D},               {R2_MERGENOTPEN, ~P | D},
      {R2_COPYPEN, P},         {R2_MERGEPENNOT, P | ~D},   {R2_MERGEPEN, P | D},
      {R2_WHITE, 0xFFFFFF},
  };
  for (const Case& c : cases) {
    Canvas cv(3, 1, PixelToColorRef(D));
    Selected pen(cv.dc, CreatePen(PS_SOLID, 1, PixelToColorRef(P)));
    SetROP2(cv.dc, c.rop2);
    MoveToEx(cv.dc, 0, 0, nullptr);
    LineTo(cv.dc, 2, 0);
    EXPECT_EQ(cv.At(1, 0), PixelToColorRef(c.expected & 0xFFFFFF)) << "rop2 " << c.rop2;
    EXPECT_EQ(cv.At(2, 0), PixelToColorRef(D)) << "end point untouched";
  }
}

TEST(GdiRaster, TernaryRasterOperations) {
  const uint32_t P = 0x0F0F33, S = 0x3355AA, D = 0x55AA0F;
  struct Case {
    DWORD rop;
    uint32_t expected;
  } cases[] = {
      {SRCCOPY, S},          {SRCPAINT, S | D},        {SRCAND, S & D},
      {SRCINVERT, S ^ D},    {SRCERASE, S & ~D},       {NOTSRCCOPY, ~S},
      {NOTSRCERASE, ~(S | D)}, {MERGECOPY, P & S},     {MERGEPAINT, ~S | D},
      {PATCOPY, P},          {PATPAINT, P | ~S | D},   {PATINVERT, P ^ D},
      {DSTINVERT, ~D},       {BLACKNESS, 0},           {WHITENESS, 0xFFFFFF},
      {0x00220326, D & ~S},  {0x00200F09, D & P & ~S}, {0x00B8074A, (S & D) | (~S & P)},
  };
  for (const Case& c : cases) {
    Canvas dst(2, 2, PixelToColorRef(D));
    Canvas src(2, 2, PixelToColorRef(S));
    Selected brush(dst.dc, CreateSolidBrush(PixelToColorRef(P)));
    BitBlt(dst.dc, 0, 0, 2, 2, src.dc, 0, 0, c.rop);
    EXPECT_EQ(dst.At(1, 1), PixelToColorRef(c.expected & 0xFFFFFF)) << std::hex << c.rop;
  }
}

TEST(GdiRaster, XorDrawnTwiceLeavesNoTrace) {
  struct Case {
    const char* name;
    std::function<void(HDC)> draw;
  } cases[] = {
      {"focus rect", [](HDC dc) { RECT r(2, 3, 17, 11); DrawFocusRect(dc, &r); }},
      {"xor line", [](HDC dc) {
         SelectObject(dc, GetStockObject(WHITE_PEN));
         SetROP2(dc, R2_XORPEN);
         MoveToEx(dc, 1, 1, nullptr);
         LineTo(dc, 15, 9);
       }},
      {"not rectangle", [](HDC dc) {
         SetROP2(dc, R2_NOT);
         Rectangle(dc, 2, 2, 12, 9);
       }},
      {"pattern invert", [](HDC dc) { PatBlt(dc, 3, 1, 9, 7, PATINVERT); }},
      {"dst invert", [](HDC dc) { PatBlt(dc, 0, 0, 20, 12, DSTINVERT); }},
  };
  for (const Case& c : cases) {
    Canvas cv(20, 12);
    HBRUSH b = CreateSolidBrush(RGB(10, 200, 30));
    SelectObject(cv.dc, b);
    RECT r(0, 0, 10, 12);
    FillRect(cv.dc, &r, b);
    auto before = cv.Pixels();
    c.draw(cv.dc);
    EXPECT_NE(cv.Pixels(), before) << c.name;
    c.draw(cv.dc);
    EXPECT_EQ(cv.Pixels(), before) << c.name;
    SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(b);
  }
}

TEST(GdiRaster, FocusRectIsDottedFromTheDeviceOrigin) {
  Canvas cv(8, 4);
  RECT r(0, 0, 8, 4);
  DrawFocusRect(cv.dc, &r);
  EXPECT_EQ(cv.Mask(kWhite), Rows({"#.#.#.#.", ".......#", "#.......", ".#.#.#.#"}));
}

TEST(GdiBlit, MonochromeAndColourConversion) {
  // Monochrome source: 0 bits take the text colour, 1 bits the background colour.
  HBITMAP mono = CreateBitmap(2, 1, 1, 1, "\x40\x00");  // pixel 0 black, pixel 1 white
  HDC mdc = CreateCompatibleDC(nullptr);
  SelectObject(mdc, mono);
  Canvas cv(2, 1);
  SetTextColor(cv.dc, kRed);
  SetBkColor(cv.dc, RGB(0, 0, 255));
  BitBlt(cv.dc, 0, 0, 2, 1, mdc, 0, 0, SRCCOPY);
  EXPECT_EQ(cv.At(0, 0), kRed);
  EXPECT_EQ(cv.At(1, 0), RGB(0, 0, 255));
  // Colour to monochrome: the source background colour becomes white, the rest black.
  SetPixel(cv.dc, 0, 0, RGB(1, 2, 3));
  SetBkColor(cv.dc, RGB(1, 2, 3));
  BitBlt(mdc, 0, 0, 2, 1, cv.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(mdc, 0, 0), kWhite);
  EXPECT_EQ(GetPixel(mdc, 1, 0), kBlack);
  // A memory DC starts with a monochrome bitmap, so its compatible bitmaps are monochrome.
  HDC fresh = CreateCompatibleDC(nullptr);
  HBITMAP cb = CreateCompatibleBitmap(fresh, 4, 4);
  EXPECT_EQ(GetBitmapBitsPerPixel(cb), 1);
  DeleteObject(cb);
  cb = CreateCompatibleBitmap(cv.dc, 4, 4);
  EXPECT_EQ(GetBitmapBitsPerPixel(cb), 32);
  DeleteObject(cb);
  DeleteDC(fresh);
  DeleteDC(mdc);
  DeleteObject(mono);
}

TEST(GdiBlit, OverlappingCopyScrolls) {
  Canvas cv(6, 1);
  for (int x = 0; x < 6; ++x) SetPixel(cv.dc, x, 0, RGB(x * 10, 0, 0));
  BitBlt(cv.dc, 1, 0, 5, 1, cv.dc, 0, 0, SRCCOPY);
  for (int x = 1; x < 6; ++x) EXPECT_EQ(cv.At(x, 0), RGB((x - 1) * 10, 0, 0));
  BitBlt(cv.dc, 0, 0, 5, 1, cv.dc, 1, 0, SRCCOPY);
  for (int x = 0; x < 5; ++x) EXPECT_EQ(cv.At(x, 0), RGB(x * 10, 0, 0));
}

TEST(GdiBlit, StretchTransparentAlphaAndGradient) {
  Canvas src(2, 2);
  SetPixel(src.dc, 0, 0, kRed);
  SetPixel(src.dc, 1, 1, kBlack);
  Canvas dst(4, 4);
  StretchBlt(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(dst.Mask(kWhite), Rows({"##..", "##..", "..##", "..##"}));
  EXPECT_EQ(dst.At(1, 1), kRed);
  EXPECT_EQ(dst.At(2, 3), kBlack);

  // Transparent copy skips the key colour.
  dst.Clear(RGB(0, 255, 0));
  TransparentBlt(dst.dc, 0, 0, 2, 2, src.dc, 0, 0, 2, 2, kWhite);
  EXPECT_EQ(dst.At(0, 0), kRed);
  EXPECT_EQ(dst.At(1, 0), RGB(0, 255, 0));

  // Constant alpha: half of each.
  Canvas a(1, 1, RGB(200, 100, 0));
  Canvas b(1, 1, RGB(0, 100, 200));
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 128, 0};
  AlphaBlend(a.dc, 0, 0, 1, 1, b.dc, 0, 0, 1, 1, bf);
  EXPECT_EQ(a.At(0, 0), RGB(100, 100, 100));
  // Per-pixel premultiplied alpha: a half-transparent red over blue.
  GetBitmapSurface(b.bmp)->At(0, 0) = 0x80800000;  // alpha 128, red 128 (premultiplied)
  a.Clear(RGB(0, 0, 254));
  bf = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(a.dc, 0, 0, 1, 1, b.dc, 0, 0, 1, 1, bf);
  EXPECT_EQ(a.At(0, 0), RGB(128, 0, 127));
  // A source rectangle outside the source fails.
  EXPECT_FALSE(AlphaBlend(a.dc, 0, 0, 1, 1, b.dc, 0, 0, 2, 2, bf));

  Canvas g(5, 1);
  TRIVERTEX v[2] = {{0, 0, 0, 0, 0, 0}, {5, 1, 0xFF00, 0, 0, 0}};
  GRADIENT_RECT gr{0, 1};
  GradientFill(g.dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_H);
  EXPECT_EQ(g.At(0, 0), kBlack);
  EXPECT_EQ(GetRValue(g.At(4, 0)), 204);
  for (int x = 1; x < 5; ++x) EXPECT_GT(GetRValue(g.At(x, 0)), GetRValue(g.At(x - 1, 0)));
}

TEST(GdiClip, SaveRestoreAndRegions) {
  Canvas cv(10, 10);
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(cv.dc, probe), 0);  // no clip region
  int level = SaveDC(cv.dc);
  EXPECT_EQ(level, 1);
  IntersectClipRect(cv.dc, 2, 2, 6, 6);
  ExcludeClipRect(cv.dc, 3, 3, 4, 4);
  EXPECT_EQ(GetClipRgn(cv.dc, probe), 1);
  RECT box;
  EXPECT_EQ(GetClipBox(cv.dc, &box), COMPLEXREGION);
  EXPECT_EQ(box, RECT(2, 2, 6, 6));
  RECT r1(3, 3, 4, 4), r2(2, 2, 3, 3), r3(6, 6, 9, 9);
  EXPECT_FALSE(RectVisible(cv.dc, &r1));
  EXPECT_TRUE(RectVisible(cv.dc, &r2));
  EXPECT_FALSE(RectVisible(cv.dc, &r3));
  RECT all(0, 0, 10, 10);
  FillRect(cv.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(cv.Ink(kWhite), RECT(2, 2, 6, 6));
  EXPECT_EQ(cv.At(3, 3), kWhite);
  EXPECT_TRUE(RestoreDC(cv.dc, -1));
  EXPECT_EQ(GetClipRgn(cv.dc, probe), 0);
  EXPECT_EQ(GetClipBox(cv.dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, RECT(0, 0, 10, 10));
  EXPECT_FALSE(RestoreDC(cv.dc, 1));  // nothing saved any more

  // Nested levels: restoring an outer level drops the inner ones.
  SetTextColor(cv.dc, kRed);
  SaveDC(cv.dc);
  SetTextColor(cv.dc, kBlack);
  SaveDC(cv.dc);
  SetTextColor(cv.dc, kWhite);
  EXPECT_TRUE(RestoreDC(cv.dc, 1));
  EXPECT_EQ(GetTextColor(cv.dc), kRed);
  EXPECT_FALSE(RestoreDC(cv.dc, -1));
  DeleteObject(probe);
}

TEST(GdiClip, SelectClipRegionIsInDeviceUnits) {
  Canvas cv(10, 10);
  SetWindowOrgEx(cv.dc, 5, 5, nullptr);
  HRGN rgn = CreateRectRgn(0, 0, 2, 2);
  SelectClipRgn(cv.dc, rgn);
  DeleteObject(rgn);  // the DC keeps its own copy
  RECT all(-10, -10, 20, 20);
  FillRect(cv.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(cv.Ink(kWhite), RECT(0, 0, 2, 2));
  RECT box;
  GetClipBox(cv.dc, &box);
  EXPECT_EQ(box, RECT(5, 5, 7, 7));  // logical units
}

TEST(GdiOrigins, WindowAndViewportOrigins) {
  Canvas cv(10, 10);
  SetWindowOrgEx(cv.dc, 2, 1, nullptr);
  SetViewportOrgEx(cv.dc, 5, 5, nullptr);
  SetPixel(cv.dc, 2, 1, kBlack);
  EXPECT_EQ(cv.At(5, 5), kBlack);
  POINT p{2, 1};
  LPtoDP(cv.dc, &p, 1);
  EXPECT_EQ(p, POINT(5, 5));
  DPtoLP(cv.dc, &p, 1);
  EXPECT_EQ(p, POINT(2, 1));
  POINT old;
  OffsetWindowOrgEx(cv.dc, 1, 1, &old);
  EXPECT_EQ(old, POINT(2, 1));
  SaveDC(cv.dc);
  SetViewportOrgEx(cv.dc, 0, 0, nullptr);
  RestoreDC(cv.dc, -1);
  GetViewportOrgEx(cv.dc, &p);
  EXPECT_EQ(p, POINT(5, 5));
}

TEST(GdiSurface, SystemClipCombinesWithApplicationClip) {
  TSurface surf(20, 20);
  surf.Fill(0xFFFFFF);
  HRGN sys = CreateRectRgn(5, 5, 15, 15);
  HDC dc = CreateSurfaceDC(&surf, POINT(5, 5), sys);
  HRGN app = CreateRectRgn(2, 2, 20, 20);  // device units: surface (7, 7) onwards
  SelectClipRgn(dc, app);
  RECT all(-50, -50, 50, 50);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      bool inside = x >= 7 && x < 15 && y >= 7 && y < 15;
      EXPECT_EQ((surf.At(x, y) & 0xFFFFFF) == 0, inside) << x << "," << y;
    }
  // Removing the application clip leaves the system clip in force.
  SelectClipRgn(dc, nullptr);
  RECT box;
  GetClipBox(dc, &box);
  EXPECT_EQ(box, RECT(0, 0, 10, 10));
  // Moving the DC moves its drawing, not its system clip.
  SetSurfaceDCOrigin(dc, POINT(0, 0));
  SetSurfaceDCSystemClip(dc, nullptr);
  SetPixel(dc, 1, 1, RGB(255, 0, 0));
  EXPECT_EQ(surf.At(1, 1) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(GetDCSurface(dc), &surf);
  DeleteDC(dc);
  DeleteObject(sys);
  DeleteObject(app);
}

TEST(GdiObjects, HandlesFailSafely) {
  int junk = 0;
  HDC bad = reinterpret_cast<HDC>(&junk);
  RECT r(0, 0, 5, 5);
  EXPECT_FALSE(DeleteObject(&junk));
  EXPECT_FALSE(DeleteObject(nullptr));
  EXPECT_EQ(SelectObject(bad, GetStockObject(BLACK_PEN)), nullptr);
  EXPECT_EQ(FillRect(bad, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
  EXPECT_FALSE(BitBlt(bad, 0, 0, 1, 1, bad, 0, 0, SRCCOPY));
  EXPECT_EQ(GetPixel(bad, 0, 0), CLR_INVALID);
  EXPECT_EQ(GetObjectType(&junk), 0u);
  EXPECT_FALSE(DrawText(bad, "x", 1, &r, 0));
  EXPECT_EQ(CombineRgn(reinterpret_cast<HRGN>(&junk), nullptr, nullptr, RGN_OR), ERROR);
  EXPECT_EQ(CreateBitmap(-1, 5, 1, 32, nullptr), nullptr);
  HBITMAP empty = CreateBitmap(0, 0, 1, 32, nullptr);
  ASSERT_NE(empty, nullptr);
  HDC mdc = CreateCompatibleDC(nullptr);
  SelectObject(mdc, empty);
  EXPECT_TRUE(FillRect(mdc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
  EXPECT_EQ(GetPixel(mdc, 0, 0), CLR_INVALID);
  DeleteDC(mdc);
  EXPECT_TRUE(DeleteObject(empty));
  EXPECT_FALSE(DeleteObject(empty));  // already gone
}

TEST(GdiObjects, DeletingSelectedObjects) {
  Canvas cv(4, 4);
  // A selected bitmap cannot be deleted, nor selected into a second DC.
  EXPECT_FALSE(DeleteObject(cv.bmp));
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, cv.bmp), nullptr);
  DeleteDC(other);
  // A selected pen goes when it is deselected, and keeps drawing until then.
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  SelectObject(cv.dc, pen);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_EQ(GetObjectType(pen), OBJ_PEN);
  MoveToEx(cv.dc, 0, 0, nullptr);
  LineTo(cv.dc, 2, 0);
  EXPECT_EQ(cv.At(0, 0), kRed);
  SelectObject(cv.dc, GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetObjectType(pen), 0u);
  // A pen held by a saved state survives until that state is dropped.
  HPEN pen2 = CreatePen(PS_SOLID, 1, kRed);
  SelectObject(cv.dc, pen2);
  SaveDC(cv.dc);
  SelectObject(cv.dc, GetStockObject(BLACK_PEN));
  DeleteObject(pen2);
  EXPECT_EQ(GetObjectType(pen2), OBJ_PEN);
  RestoreDC(cv.dc, -1);
  EXPECT_EQ(GetCurrentObject(cv.dc, OBJ_PEN), pen2);
  SelectObject(cv.dc, GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetObjectType(pen2), 0u);
  // Stock objects are never deleted.
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), OBJ_BRUSH);
}

TEST(GdiSystem, ColoursCanBeReplacedAndReset) {
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
  EXPECT_EQ(GetSysColor(999), 0u);
  int idx = COLOR_BTNFACE;
  COLORREF c = RGB(1, 2, 3);
  SetSysColors(1, &idx, &c);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), c);
  LOGBRUSH lb;
  GetObject(GetSysColorBrush(COLOR_BTNFACE), sizeof(lb), &lb);
  EXPECT_EQ(lb.lbColor, c);
  ResetSysColors();
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
  SetSystemMetric(SM_CXSCREEN, 1920);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  ResetSystemMetrics();
  EXPECT_EQ(MulDiv(8, 96, 72), 11);
  EXPECT_EQ(MulDiv(-7, 1, 2), -4);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST(GdiShapes, HugeCoordinatesDrawOnlyWhatIsVisible) {
  Canvas cv(10, 10);
  const int big = 1000000000;
  MoveToEx(cv.dc, -big, 5, nullptr);
  LineTo(cv.dc, big, 5);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(cv.At(x, 5), kBlack) << x;
  // A steep long line through the canvas keeps to its course.
  cv.Clear(kWhite);
  MoveToEx(cv.dc, 3 - big / 1000, -big, nullptr);
  LineTo(cv.dc, 3 + big / 1000, big);
  for (int y = 0; y < 10; ++y) EXPECT_EQ(cv.At(3, y), kBlack) << y;
  cv.Clear(kWhite);
  SelectObject(cv.dc, GetStockObject(BLACK_BRUSH));
  Ellipse(cv.dc, -big, -big, big, big);
  EXPECT_EQ(cv.Ink(kWhite), RECT(0, 0, 10, 10));
  cv.Clear(kWhite);
  POINT tri[] = {{-big, -big}, {big, -big}, {-big, big}};
  Polygon(cv.dc, tri, 3);
  EXPECT_EQ(cv.At(0, 0), kBlack);
  SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
  HRGN r = CreateEllipticRgn(-big, -big, big, big);
  EXPECT_TRUE(PtInRegion(r, 0, 0));
  DeleteObject(r);
}

TEST(GdiPaths, RecordThenFillOrStroke) {
  Canvas cv(20, 20);
  SelectObject(cv.dc, GetStockObject(BLACK_BRUSH));
  BeginPath(cv.dc);
  Rectangle(cv.dc, 2, 2, 18, 18);
  Rectangle(cv.dc, 6, 6, 14, 14);
  EXPECT_EQ(cv.Ink(kWhite), RECT()) << "recording draws nothing";
  EXPECT_FALSE(FillPath(cv.dc)) << "the path is still open";
  EndPath(cv.dc);
  SetPolyFillMode(cv.dc, ALTERNATE);
  EXPECT_TRUE(FillPath(cv.dc));
  EXPECT_EQ(cv.Ink(kWhite), RECT(2, 2, 18, 18));
  EXPECT_EQ(cv.At(8, 8), kWhite);  // the inner figure is a hole under the alternate rule
  EXPECT_FALSE(FillPath(cv.dc)) << "filling used the path up";

  // An ellipse path covers nearly what Ellipse covers.
  Canvas a(30, 30), b(30, 30);
  for (Canvas* c : {&a, &b}) SelectObject(c->dc, GetStockObject(BLACK_BRUSH));
  BeginPath(a.dc);
  Ellipse(a.dc, 2, 3, 28, 25);
  EndPath(a.dc);
  FillPath(a.dc);
  SelectObject(b.dc, GetStockObject(NULL_PEN));
  Ellipse(b.dc, 2, 3, 29, 26);
  int differ = 0, ink = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      differ += a.At(x, y) != b.At(x, y);
      ink += b.At(x, y) == kBlack;
    }
  EXPECT_LT(differ, ink / 10);
  for (Canvas* c : {&a, &b}) {
    SelectObject(c->dc, GetStockObject(WHITE_BRUSH));
    SelectObject(c->dc, GetStockObject(BLACK_PEN));
  }

  // Stroking outlines open figures as they are.
  Canvas s(10, 10);
  BeginPath(s.dc);
  MoveToEx(s.dc, 1, 1, nullptr);
  LineTo(s.dc, 8, 1);
  LineTo(s.dc, 8, 8);
  EndPath(s.dc);
  StrokePath(s.dc);
  EXPECT_EQ(s.Ink(kWhite), RECT(1, 1, 9, 8));
  EXPECT_EQ(s.At(1, 2), kWhite);
  SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
}
