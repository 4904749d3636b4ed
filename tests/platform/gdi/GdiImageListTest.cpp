// Image lists: masks, key colours, alpha, greyed and blended drawing, removal.
#include "GdiTestUtil.h"
#include "gdi/CommCtrl.h"

namespace {
constexpr COLORREF kBack = RGB(0, 128, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// Two 4 x 4 images side by side: the first red with a magenta left column, the second blue.
HBITMAP Strip() {
  HBITMAP b = CreateBitmap(8, 4, 1, 32, nullptr);
  TSurface* s = GetBitmapSurface(b);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x)
      s->At(x, y) = ColorRefToPixel(x == 0 ? kMagenta : x < 4 ? RGB(255, 0, 0) : RGB(0, 0, 255));
  return b;
}
}  // namespace

TEST(GdiImageList, MaskedDrawing) {
  HIMAGELIST il = ImageList_Create(4, 4, ILC_COLOR24 | ILC_MASK, 1, 1);
  HBITMAP strip = Strip();
  EXPECT_EQ(ImageList_AddMasked(il, strip, kMagenta), 0);
  EXPECT_EQ(ImageList_GetImageCount(il), 2);
  IMAGEINFO info;
  ASSERT_TRUE(ImageList_GetImageInfo(il, 1, &info));
  EXPECT_EQ(info.rcImage, RECT(4, 0, 8, 4));
  EXPECT_FALSE(ImageList_GetImageInfo(il, 2, &info));

  struct Case {
    UINT style;
    COLORREF bk;
    COLORREF atMaskedPixel, atImagePixel;
  } cases[] = {
      {ILD_TRANSPARENT, CLR_NONE, kBack, RGB(255, 0, 0)},
      {ILD_NORMAL, RGB(1, 2, 3), RGB(1, 2, 3), RGB(255, 0, 0)},
      {ILD_NORMAL, CLR_NONE, kBack, RGB(255, 0, 0)},
      {ILD_MASK, CLR_NONE, RGB(255, 255, 255), RGB(0, 0, 0)},
      // Half of the highlight colour (0, 0, 128) over red.
      {ILD_TRANSPARENT | ILD_BLEND50, CLR_NONE, kBack, RGB(128, 0, 64)},
  };
  for (const Case& c : cases) {
    Canvas cv(6, 6, kBack);
    ImageList_SetBkColor(il, c.bk);
    EXPECT_TRUE(ImageList_Draw(il, 0, cv.dc, 1, 1, c.style));
    EXPECT_EQ(cv.At(1, 1), c.atMaskedPixel) << c.style;
    for (int sh = 0; sh < 24; sh += 8)  // blending rounds either way
      EXPECT_NEAR(int((cv.At(2, 1) >> sh) & 0xFF), int((c.atImagePixel >> sh) & 0xFF), 1) << c.style;
    EXPECT_EQ(cv.At(5, 1), kBack) << "outside the image";
  }
  // Disabled drawing greys the image.
  Canvas cv(6, 6, kBack);
  IMAGELISTDRAWPARAMS p;
  p.himl = il;
  p.i = 1;
  p.hdcDst = cv.dc;
  p.fStyle = ILD_TRANSPARENT;
  p.fState = ILS_SATURATE;
  ImageList_SetBkColor(il, CLR_NONE);
  ASSERT_TRUE(ImageList_DrawIndirect(&p));
  COLORREF g = cv.At(1, 1);
  EXPECT_EQ(GetRValue(g), GetGValue(g));
  EXPECT_EQ(GetGValue(g), GetBValue(g));
  // Removing the first image moves the second into its place.
  EXPECT_TRUE(ImageList_Remove(il, 0));
  cv.Clear(kBack);
  ImageList_Draw(il, 0, cv.dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(cv.At(0, 0), RGB(0, 0, 255));
  EXPECT_TRUE(ImageList_Remove(il, -1));
  EXPECT_EQ(ImageList_GetImageCount(il), 0);
  EXPECT_FALSE(ImageList_Draw(il, 0, cv.dc, 0, 0, ILD_NORMAL));
  DeleteObject(strip);
  EXPECT_TRUE(ImageList_Destroy(il));
  EXPECT_FALSE(ImageList_Destroy(il));
  EXPECT_EQ(ImageList_Create(0, 16, ILC_COLOR32, 1, 1), nullptr);
}

TEST(GdiImageList, AlphaImagesAndMaskBitmaps) {
  HIMAGELIST il = ImageList_Create(2, 1, ILC_COLOR32 | ILC_MASK, 4, 4);
  HBITMAP img = CreateBitmap(2, 1, 1, 32, nullptr);
  GetBitmapSurface(img)->At(0, 0) = 0xFFFF0000;  // opaque red
  GetBitmapSurface(img)->At(1, 0) = 0x00FF0000;  // fully transparent red
  EXPECT_EQ(ImageList_Add(il, img, nullptr), 0);
  Canvas cv(2, 1, kBack);
  ImageList_Draw(il, 0, cv.dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(cv.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(cv.At(1, 0), kBack);
  // Half the constant alpha.
  cv.Clear(RGB(0, 0, 0));
  IMAGELISTDRAWPARAMS p;
  p.himl = il;
  p.hdcDst = cv.dc;
  p.fStyle = ILD_TRANSPARENT;
  p.fState = ILS_ALPHA;
  p.Frame = 128;
  ImageList_DrawIndirect(&p);
  EXPECT_EQ(cv.At(0, 0), RGB(128, 0, 0));
  // A monochrome mask: white bits are transparent.
  HIMAGELIST il2 = ImageList_Create(2, 1, ILC_COLOR24 | ILC_MASK, 1, 1);
  HBITMAP mask = CreateBitmap(2, 1, 1, 1, "\x40\x00");
  GetBitmapSurface(img)->At(1, 0) = 0x000000FF;
  ImageList_Add(il2, img, mask);
  cv.Clear(kBack);
  ImageList_Draw(il2, 0, cv.dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(cv.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(cv.At(1, 0), kBack);
  // Growth beyond the initial size keeps earlier images.
  for (int i = 0; i < 9; ++i) ImageList_Add(il, img, nullptr);
  cv.Clear(kBack);
  ImageList_Draw(il, 0, cv.dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(cv.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(ImageList_GetImageCount(il), 10);
  DeleteObject(mask);
  DeleteObject(img);
  ImageList_Destroy(il);
  ImageList_Destroy(il2);
}
