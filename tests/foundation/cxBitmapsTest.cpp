// TcxBitmap filters, blending, DrawImageWithState, TcxImageList and the system blend colours.
#include <gtest/gtest.h>

#include <cmath>

#include "foundation/cxGraphics.h"
#include "vcl/Forms.h"
#include "tests/foundation/cxGraphicsTestUtil.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"

using cxtest::Rgb;
using cxtest::TPaintTarget;

namespace {
uint32_t Quad(int r, int g, int b, int a) { return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }

// A 16 x 16 red square at 4..11 with a mask making everything else transparent.
void AddMaskedSquare(TCustomImageList& list) {
  TBitmap image, mask;
  for (TBitmap* b : {&image, &mask}) {
    b->SetPixelFormat(pf32bit);
    b->SetSize(16, 16);
  }
  image.Canvas()->Brush()->SetColor(clBlue);  // hidden by the mask
  image.Canvas()->FillRect(TRect(0, 0, 16, 16));
  image.Canvas()->Brush()->SetColor(clRed);
  image.Canvas()->FillRect(TRect(4, 4, 12, 12));
  mask.Canvas()->Brush()->SetColor(clWhite);
  mask.Canvas()->FillRect(TRect(0, 0, 16, 16));
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(TRect(4, 4, 12, 12));
  list.Add(&image, &mask);
}
}  // namespace

TEST(cxBitmap, BlendPixelFollowsTheSinglePrecisionFormula) {
  struct Case {
    uint32_t src, dst;
    Byte alpha;
    uint32_t want;
  };
  const Case cases[] = {
      {Quad(10, 20, 30, 255), Quad(200, 200, 200, 255), 255, Quad(10, 20, 30, 255)},  // opaque covers
      {Quad(0, 0, 0, 0), Quad(200, 100, 50, 0), 255, Quad(200, 100, 50, 0)},          // transparent keeps
      {Quad(200, 0, 0, 255), Quad(0, 0, 200, 255), 128, Quad(100, 0, 100, 255)},       // half
      {Quad(128, 128, 128, 128), Quad(255, 255, 255, 255), 255, Quad(255, 255, 255, 255)},  // capped
      {Quad(128, 128, 128, 192), Quad(76, 76, 76, 255), 238, Quad(142, 142, 142, 255)},
  };
  for (const Case& c : cases) {
    uint32_t d = c.dst;
    BlendPixel(c.src, d, c.alpha);
    EXPECT_EQ(d, c.want) << std::hex << c.src << " over " << c.dst;
  }
}

TEST(cxBitmap, PixelFilters) {
  TcxBitmap b(3, 1);
  auto set = [&](std::vector<uint32_t> px) { b.WritePixels(px); };
  auto get = [&] {
    TRGBColors px;
    b.ReadPixels(px);
    return px;
  };
  set({0, Quad(1, 2, 3, 0), Quad(9, 9, 9, 40)});
  b.ApplyPixelFilter(TcxPixelFilter::MakeOpaque);
  EXPECT_EQ(get(), (TRGBColors{Quad(0, 0, 0, 255), Quad(1, 2, 3, 255), Quad(9, 9, 9, 255)}));

  set({0, Quad(1, 2, 3, 0), Quad(9, 9, 9, 40)});
  b.ApplyPixelFilter(TcxPixelFilter::FixAlpha);
  EXPECT_EQ(get(), (TRGBColors{0, Quad(1, 2, 3, 255), Quad(9, 9, 9, 40)}));

  // Transparent: the zero pixel and the listed colours (alpha ignored).
  set({0, Quad(255, 0, 255, 255), Quad(9, 9, 9, 0)});
  b.TransparentColors()->AddColor(clFuchsia);
  b.ApplyPixelFilter(TcxPixelFilter::TransparencyMask);
  EXPECT_EQ(get(), (TRGBColors{0xFFFFFFFFu, 0xFFFFFFFFu, 0}));
  b.TransparentColors()->Clear();

  set({0, Quad(200, 100, 50, 255), Quad(0, 255, 0, 10)});
  b.ApplyPixelFilter(TcxPixelFilter::AlphaGrey);
  int g1 = int(std::lround(0.0729 * 200 + 0.7146 * 100 + 0.2125 * 50));
  int g2 = int(std::lround(0.7146 * 255));
  EXPECT_EQ(get(), (TRGBColors{0, Quad(g1, g1, g1, 255), Quad(g2, g2, g2, 10)}));

  set({0, Quad(255, 0, 0, 255), Quad(0, 0, 0, 0)});
  b.ApplyPixelFilter(TcxPixelFilter::DisabledTint);
  uint32_t tinted = Quad(76, 76, 76, 255);
  BlendPixel(ColorToRGBQuad(clBtnShadow, 192), tinted, 238);
  EXPECT_EQ(get(), (TRGBColors{0, tinted, 0}));
  EXPECT_TRUE(b.HasAlphaChannel());
  TcxBitmap none(2, 2);
  EXPECT_FALSE(none.HasAlphaChannel());
}

TEST(cxImages, MaskedItemDrawnNormalAndDisabled) {
  TcxImageList list(nullptr, 16, 16);
  AddMaskedSquare(list);
  COLORREF bg = RGB(0, 128, 128);
  // Enabled: unchanged, the masked pixels show the background.
  TPaintTarget on(24, 24, TColor(bg));
  list.DrawInRect(0, on.bitmap.Canvas(), TRect(4, 4, 20, 20));
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      bool inSquare = x >= 8 && x < 16 && y >= 8 && y < 16;
      ASSERT_EQ(on.Px(x, y), inSquare ? Rgb(clRed) : bg) << x << "," << y;
    }
  // Disabled: grey tinted by the shadow colour, and the highlight one pixel right and below
  // the opaque outline.
  TPaintTarget off(24, 24, TColor(bg));
  list.DrawInRect(0, off.bitmap.Canvas(), TRect(4, 4, 20, 20), dsNormal, false, false, false);
  uint32_t tinted = Quad(76, 76, 76, 255);
  BlendPixel(ColorToRGBQuad(clBtnShadow, 192), tinted, 238);
  COLORREF grey = PixelToColorRef(tinted) & 0xFFFFFF;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      bool inSquare = x >= 8 && x < 16 && y >= 8 && y < 16;
      bool edge = (x == 16 && y >= 9 && y <= 16) || (y == 16 && x >= 9 && x <= 16);
      COLORREF want = inSquare ? grey : edge ? Rgb(clBtnHighlight) : bg;
      ASSERT_EQ(off.Px(x, y), want) << x << "," << y;
    }
}

TEST(cxImages, AlphaItemDrawnDisabledIsGreyAtConstantAlpha151) {
  // The list keeps premultiplied pixels; an item with partial alpha is an alpha image (one
  // whose alpha is only 0 and 255 cannot be told from a masked one and is drawn as such).
  TcxImageList list(nullptr, 2, 1);
  TBitmap img;
  img.SetPixelFormat(pf32bit);
  img.SetSize(2, 1);
  static_cast<uint32_t*>(img.ScanLine(0))[0] = Quad(200, 100, 50, 200);
  static_cast<uint32_t*>(img.ScanLine(0))[1] = 0;
  list.AddAlpha(&img);
  uint32_t stored = static_cast<uint32_t*>(list.Image(0)->ScanLine(0))[0];
  TPaintTarget t(2, 1, TColor(RGB(10, 20, 30)));
  list.DrawInRect(0, t.bitmap.Canvas(), TRect(0, 0, 2, 1), dsNormal, false, false, false);
  int g = int(std::lround(0.0729 * ((stored >> 16) & 0xFF) + 0.7146 * ((stored >> 8) & 0xFF) + 0.2125 * (stored & 0xFF)));
  uint32_t want = ColorRefToPixel(RGB(10, 20, 30));
  BlendPixel(Quad(g, g, g, int(stored >> 24)), want, 151);
  EXPECT_EQ(t.Px(0, 0), PixelToColorRef(want) & 0xFFFFFF);
  EXPECT_EQ(t.Px(1, 0), RGB(10, 20, 30));
}

TEST(cxImages, NothingUsableDrawsNothing) {
  TcxImageList list(nullptr, 16, 16);
  AddMaskedSquare(list);
  TBitmap empty;
  struct Case {
    TBitmap* glyph;
    TCustomImageList* images;
    int index;
    TRect bg;
  };
  const Case cases[] = {
      {nullptr, nullptr, 0, TRect(0, 0, 16, 16)},
      {&empty, &list, -1, TRect(0, 0, 16, 16)},
      {nullptr, &list, 1, TRect(0, 0, 16, 16)},  // out of range
      {nullptr, &list, 0, TRect(4, 4, 4, 20)},   // zero-size background
  };
  for (const Case& c : cases) {
    TPaintTarget t(20, 20, clWhite);
    DrawImageWithState(t.canvas->DeviceContext(), TRect(0, 0, 16, 16), c.bg, c.glyph, c.images, c.index, 0);
    EXPECT_EQ(t.InkBounds(0xFFFFFF), TRect());
  }
  TPaintTarget t(20, 20, clWhite);
  t.canvas->DrawImageListItem(&list, 0, 0, 5);
  t.canvas->DrawImageListItem(nullptr, 0, 0, 0);
  t.canvas->DrawGlyph(0, 0, nullptr);
  t.canvas->DrawGlyph(0, 0, &empty, false);
  EXPECT_EQ(t.InkBounds(0xFFFFFF), TRect());
  t.canvas->DrawImageListItem(&list, 2, 2, 0);
  EXPECT_EQ(t.InkBounds(0xFFFFFF), TRect(6, 6, 14, 14));
}

TEST(cxImages, GlyphTransparencyAndBackground) {
  TBitmap glyph;
  glyph.SetPixelFormat(pf32bit);
  glyph.SetSize(4, 4);
  glyph.Canvas()->Brush()->SetColor(clFuchsia);  // the bottom-left pixel: transparent
  glyph.Canvas()->FillRect(TRect(0, 0, 4, 4));
  glyph.Canvas()->Brush()->SetColor(clGreen);
  glyph.Canvas()->FillRect(TRect(1, 1, 3, 3));
  TPaintTarget clear(6, 6, clWhite), filled(6, 6, clWhite);
  clear.canvas->DrawGlyph(1, 1, &glyph);
  filled.canvas->DrawGlyph(1, 1, &glyph, true, clYellow);
  EXPECT_EQ(clear.Px(1, 1), 0xFFFFFFu);
  EXPECT_EQ(clear.Px(2, 2), Rgb(clGreen));
  EXPECT_EQ(filled.Px(1, 1), Rgb(clYellow));
  EXPECT_EQ(filled.Px(0, 0), 0xFFFFFFu);
  // Drawn through DrawImageWithState with the glyph's own transparency.
  TPaintTarget state(6, 6, clWhite);
  DrawImageWithState(state.canvas->DeviceContext(), Bounds(1, 1, 4, 4), TRect(0, 0, 6, 6), &glyph, nullptr, -1, 0);
  EXPECT_EQ(state.Px(1, 1), 0xFFFFFFu);
  EXPECT_EQ(state.Px(2, 2), Rgb(clGreen));
}

TEST(cxImageList, CopyImagesClampsAndUpdateBracketsSilenceChanges) {
  TcxImageList source(nullptr, 16, 16);
  for (int i = 0; i < 5; ++i) AddMaskedSquare(source);
  // Mark each source image by a pixel of its own.
  for (int i = 0; i < 5; ++i) static_cast<uint32_t*>(source.Image(i)->ScanLine(5))[5] = Quad(i * 40, 0, 0, 255);
  TcxImageList copy(nullptr, 16, 16);
  int changes = 0;
  copy.OnChange = [&](TObject*) { ++changes; };
  copy.CopyImages(&source, 2, 100);
  ASSERT_EQ(copy.Count(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(static_cast<uint32_t*>(copy.Image(i)->ScanLine(5))[5], Quad((i + 2) * 40, 0, 0, 255));
  // The masked pixels stay transparent in the copy.
  EXPECT_EQ(static_cast<uint32_t*>(copy.Image(0)->ScanLine(0))[0] >> 24, 0u);

  changes = 0;
  copy.EndImageUpdate();  // without a begin: nothing
  EXPECT_EQ(changes, 0);
  copy.BeginImageUpdate();
  copy.BeginImageUpdate();
  AddMaskedSquare(copy);
  copy.EndImageUpdate(true);  // an outer bracket is still open
  EXPECT_EQ(changes, 0);
  copy.EndImageUpdate(true);
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(copy.IsUpdating());

  TcxImageList assigned(nullptr, 8, 8);
  changes = 0;
  assigned.OnChange = [&](TObject*) { ++changes; };
  assigned.Assign(&source);
  EXPECT_EQ(assigned.Count(), 5);
  EXPECT_EQ(assigned.Width(), 16);
  EXPECT_EQ(changes, 1);
}

class cxBlendColours : public testing_support::THeadlessFixture {};

TEST_F(cxBlendColours, BlackButtonFaceGivesTheHighlightColour) {
  const int idx[] = {COLOR_BTNFACE, COLOR_HIGHLIGHT, COLOR_WINDOW};
  const COLORREF normal[] = {RGB(200, 100, 50), RGB(0, 0, 128), RGB(255, 255, 255)};
  SetSysColors(3, idx, normal);
  // Per channel: MulDiv of each system colour, clamped.
  EXPECT_EQ(COLORREF(MixSystemColorsByPercent(14, 44, 40)), RGB(28 + 0 + 102, 14 + 0 + 102, 7 + 56 + 102));
  EXPECT_EQ(COLORREF(MixSystemColorsByPercent(-2, 30, 72)), RGB(180, 182, 221));
  const COLORREF black[] = {RGB(0, 0, 0), RGB(0, 0, 128), RGB(255, 255, 255)};
  SetSysColors(3, idx, black);
  EXPECT_EQ(COLORREF(PressedBlendColor()), RGB(0, 0, 128));
  EXPECT_EQ(COLORREF(HotTrackBlendColor()), RGB(0, 0, 128));
  ResetSysColors();
}

TEST(cxBitmap, BlendDCAreaStretchesAndBlends) {
  // Drawn pixels carry alpha 0, so as premultiplied pixels they add to the destination.
  TPaintTarget src(2, 2, TColor(RGB(10, 20, 30))), dst(4, 4, TColor(RGB(1, 2, 3)));
  BlendDCArea(dst.canvas->DeviceContext(), src.canvas->DeviceContext(), TRect(0, 0, 4, 4), TRect(0, 0, 2, 2), false, 255);
  EXPECT_EQ(dst.Px(3, 3), RGB(11, 22, 33));
  dst.canvas->FillRectColor(TRect(0, 0, 4, 4), clBlack);
  TcxBitmap opaque(2, 2);
  TRGBColors px(4, Quad(255, 255, 255, 255));
  opaque.WritePixels(px);
  BlendBitmapArea(&dst.bitmap, &opaque, TRect(0, 0, 4, 4), TRect(0, 0, 2, 2), false, 128);
  EXPECT_EQ(dst.Px(3, 3), RGB(128, 128, 128));
}

namespace {
// A control that paints its client area in stripes: x < 15 red, else blue.
class TStriped : public TCustomControl {
 public:
  explicit TStriped(TComponent* owner) : TCustomControl(owner) {}
  int Paints = 0;
  bool SawPaintCopy = false;

 protected:
  void Paint() override {
    ++Paints;
    SawPaintCopy = ControlState().Contains(csPaintCopy);
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(TRect(0, 0, 15, Height()));
    Canvas()->Brush()->SetColor(clBlue);
    Canvas()->FillRect(TRect(15, 0, Width(), Height()));
  }
};
}  // namespace

class cxParentBackground : public testing_support::THeadlessFixture {};

TEST_F(cxParentBackground, PaintsTheParentUnderTheControl) {
  InitializeForms();
  auto* form = new TForm(Application);
  form->SetBounds(0, 0, 200, 150);
  auto* parentPtr = new TStriped(form);
  TStriped& parent = *parentPtr;
  parent.SetParent(form);
  parent.SetBounds(0, 0, 60, 40);
  parent.SetDoubleBuffered(true);
  auto* childPtr = new TStriped(form);
  TStriped& child = *childPtr;
  child.SetParent(&parent);
  child.SetBounds(10, 5, 20, 20);
  form->Show();
  Pump();
  // The child's canvas gets what the parent shows at (10..30, 5..25): red up to x 15.
  TPaintTarget t(20, 20, clWhite);
  PaintControlParentBackground(&child, t.canvas.get(), TRect(0, 0, 20, 20));
  EXPECT_EQ(t.Px(0, 0), Rgb(clRed));
  EXPECT_EQ(t.Px(4, 19), Rgb(clRed));
  EXPECT_EQ(t.Px(5, 0), Rgb(clBlue));
  EXPECT_TRUE(parent.SawPaintCopy);
  EXPECT_FALSE(parent.ControlState().Contains(csPaintCopy));
  EXPECT_EQ(t.canvas->SavedStateCount(), 0);
  // Only the part asked for is painted.
  TPaintTarget part(20, 20, clWhite);
  PaintParentUnderControl(&child, part.canvas.get(), TRect(0, 0, 3, 3), false);
  EXPECT_EQ(part.InkBounds(0xFFFFFF), TRect(0, 0, 3, 3));
  PaintParentUnderControl(nullptr, part.canvas.get(), TRect(0, 0, 3, 3), false);
  TStriped orphan(nullptr);
  PaintParentUnderControl(&orphan, part.canvas.get(), TRect(0, 0, 20, 20), false);
  EXPECT_EQ(part.InkBounds(0xFFFFFF), TRect(0, 0, 3, 3));
  form->Free();
}
