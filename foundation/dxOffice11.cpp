#include "foundation/dxOffice11.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "foundation/cxGraphics.h"
#include "rtl/SysUtils.h"
#include "user/Windows.h"

TColor Office11LightFaceColor, Office11DarkFaceColor, Office11FaceColor, Office11TabFaceColor,
    Office11GripDotColor, Office11GripDotHighlightColor, Office11HeaderLineColor, Office11HeaderLightLineColor,
    Office11FilterBoxColor, Office11DarkFaceAltColor, Office11ShadowFaceColor, Office11FilterBoxTextColor,
    Office11TextColor, Office11ControlBorderColor, Office11HighlightFrameColor, Office11HotFaceColor,
    Office11HotFaceDarkColor, Office11PressedFaceColor, Office11PressedFaceDarkColor, Office11SelectedFaceColor,
    Office11SelectedFaceDarkColor, Office11GlyphColor, Office11DisabledGlyphColor, Office11GroupRowColor,
    Office11SelectedDayColor, Office11InnerFaceColor, Office11OuterBorderColor, Office11GridLineColor,
    Office11PaleFaceColor, Office11GroupLineColor, Office11GroupByBoxColor;
TColor Office11BackColor1, Office11BackColor2, Office11ButtonColor1, Office11ButtonColor2, Office11CaptionColor,
    Office11CaptionTextColor, Office11ActiveCaptionColor, Office11ActiveCaptionTextColor, Office11DockColor1,
    Office11DockColor2, Office11FrameColor, Office11HotColor1, Office11HotColor2, Office11PressedColor1,
    Office11PressedColor2, Office11SelectedColor, Office11TabSeparatorColor1, Office11TabSeparatorColor2;

namespace {
Byte schemeIndex = 0;
bool schemeColorsInUse = false;
Integer useCount = 0;
HBRUSH gripDotBrush = nullptr, gripDotHighlightBrush = nullptr, highlightFrameBrush = nullptr;
std::unique_ptr<TBitmap> expandedGlyph, collapsedGlyph;

constexpr TColor Rgb(int r, int g, int b) { return TColor(RGB(BYTE(r), BYTE(g), BYTE(b))); }

// The scheme entries that are read, per scheme (NORMALCOLOR, HOMESTEAD, METALLIC).
struct TSchemeEntry {
  int index;
  TColor colors[3];
};
const TSchemeEntry schemeEntries[] = {
    {0, {Rgb(221, 236, 254), Rgb(244, 247, 222), Rgb(243, 244, 250)}},
    {1, {Rgb(129, 169, 226), Rgb(183, 198, 145), Rgb(153, 151, 181)}},
    {2, {Rgb(158, 190, 245), Rgb(217, 217, 167), Rgb(215, 215, 229)}},
    {3, {Rgb(195, 218, 249), Rgb(242, 240, 228), Rgb(243, 243, 247)}},
    {4, {Rgb(0, 53, 145), Rgb(96, 119, 107), Rgb(118, 116, 146)}},
    {11, {Rgb(123, 164, 224), Rgb(181, 196, 143), Rgb(147, 145, 176)}},
    {12, {Rgb(39, 65, 118), Rgb(81, 94, 51), Rgb(84, 84, 117)}},
    {13, {Rgb(255, 255, 255), Rgb(255, 255, 255), Rgb(255, 255, 255)}},
    {14, {Rgb(106, 140, 203), Rgb(96, 128, 88), Rgb(110, 109, 143)}},
    {15, {Rgb(241, 249, 255), Rgb(244, 247, 222), Rgb(255, 255, 255)}},
    {16, {Rgb(42, 102, 201), Rgb(116, 134, 94), Rgb(122, 121, 153)}},
    {17, {Rgb(196, 219, 249), Rgb(225, 222, 173), Rgb(219, 218, 228)}},
    {18, {Rgb(0, 45, 150), Rgb(117, 141, 94), Rgb(124, 124, 148)}},
    {21, {Rgb(0, 0, 128), Rgb(63, 93, 56), Rgb(75, 75, 111)}},
    {22, {Rgb(255, 244, 204), Rgb(255, 244, 204), Rgb(255, 244, 204)}},
    {23, {Rgb(255, 208, 145), Rgb(255, 208, 145), Rgb(255, 208, 145)}},
    {24, {Rgb(255, 211, 142), Rgb(255, 211, 142), Rgb(255, 211, 142)}},
    {25, {Rgb(254, 145, 78), Rgb(254, 145, 78), Rgb(254, 145, 78)}},
    {27, {Rgb(255, 192, 111), Rgb(255, 192, 111), Rgb(255, 192, 111)}},
    {28, {Rgb(254, 128, 62), Rgb(254, 128, 62), Rgb(254, 128, 62)}},
    {30, {Rgb(0, 0, 0), Rgb(0, 0, 0), Rgb(0, 0, 0)}},
    {31, {Rgb(141, 141, 141), Rgb(141, 141, 141), Rgb(141, 141, 141)}},
    {32, {Rgb(190, 218, 251), Rgb(175, 186, 145), Rgb(229, 229, 235)}},
    {33, {Rgb(251, 230, 148), Rgb(251, 230, 148), Rgb(251, 230, 148)}},
    {34, {Rgb(196, 218, 250), Rgb(242, 241, 228), Rgb(243, 243, 247)}},
    {35, {Rgb(0, 45, 150), Rgb(96, 128, 88), Rgb(124, 124, 148)}},
    {36, {Rgb(55, 104, 185), Rgb(115, 137, 84), Rgb(112, 111, 145)}},
};

TColor Entry(int index) {
  for (const TSchemeEntry& e : schemeEntries)
    if (e.index == index) return e.colors[schemeIndex - 1];
  return clBlack;
}

TColor RgbOf(TColor c) { return TColor(ColorToRGB(c) & 0xFFFFFF); }

// The dock painters' colours, from the face, frame and line colours just computed; without
// a scheme they are the system-derived fallbacks (the hot and pressed ones computed tones).
void AssignDockingColors(bool scheme) {
  Office11BackColor1 = Office11LightFaceColor;
  Office11BackColor2 = Office11DarkFaceColor;
  Office11DockColor1 = Office11FaceColor;
  Office11DockColor2 = Office11TabFaceColor;
  Office11FrameColor = Office11OuterBorderColor;
  Office11CaptionColor = scheme ? Office11DarkFaceAltColor : Office11BackColor2;
  Office11CaptionTextColor = scheme ? TColor(RGB(0, 0, 0)) : RgbOf(clBtnText);
  Office11ActiveCaptionTextColor = scheme ? TColor(RGB(255, 255, 255)) : RgbOf(clBtnHighlight);
  Office11HotColor1 = Office11HotFaceColor;
  Office11HotColor2 = Office11HotFaceDarkColor;
  Office11PressedColor1 = Office11PressedFaceColor;
  Office11PressedColor2 = Office11PressedFaceDarkColor;
  Office11ButtonColor1 = scheme ? Office11LightFaceColor : Office11HotFaceColor;
  Office11ButtonColor2 = scheme ? Office11DarkFaceColor : Office11PressedFaceColor;
  Office11SelectedColor = Office11HighlightFrameColor;
  Office11TabSeparatorColor1 = Office11HeaderLineColor;
  Office11TabSeparatorColor2 = Office11HeaderLightLineColor;
  // Assigned after all other scheme colours.
  Office11ActiveCaptionColor = Office11FrameColor;
}

// The 11 x 11 expand buttons: dark right and bottom border, light top and left border, a
// face shaded from white to (176, 200, 240), a minus in row 5 and, for the plus, column 5.
std::unique_ptr<TBitmap> MakeExpandGlyph(bool plus) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(11, 11);
  auto put = [&](int x, int y, int r, int g, int bl) {
    // Opaque pixels, so that drawing through the canvas (which blends 32-bit bitmaps by
    // their alpha) shows them as they are.
    static_cast<uint32_t*>(b->ScanLine(y))[x] = 0xFF000000u | uint32_t((r << 16) | (g << 8) | bl);
  };
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 11; ++x) {
      if (x == 10 || y == 10) {
        put(x, y, 48, 72, 96);
      } else if (x == 0 || y == 0) {
        int t = x + y;  // 0..9 along the border
        put(x, y, 160 - (16 * t) / 9, 176 - (8 * t) / 9, 192);
      } else {
        int t = x + y - 2, n = 16;  // 0..16 from the top-left to the bottom-right of the face
        put(x, y, 255 - (79 * t) / n, 255 - (55 * t) / n, 255 - (15 * t) / n);
      }
    }
  for (int x = 3; x <= 7; ++x) put(x, 5, 48, 72, 96);
  if (plus)
    for (int y = 3; y <= 7; ++y) put(5, y, 48, 72, 96);
  return b;
}

void CreateResources() {
  gripDotBrush = CreateSolidBrush(ColorToRGB(Office11GripDotColor));
  gripDotHighlightBrush = CreateSolidBrush(ColorToRGB(Office11GripDotHighlightColor));
  highlightFrameBrush = CreateSolidBrush(ColorToRGB(Office11HighlightFrameColor));
  if (!expandedGlyph) expandedGlyph = MakeExpandGlyph(false);
  if (!collapsedGlyph) collapsedGlyph = MakeExpandGlyph(true);
}

void DestroyBrushes() {
  for (HBRUSH* b : {&gripDotBrush, &gripDotHighlightBrush, &highlightFrameBrush})
    if (*b) {
      DeleteObject(*b);
      *b = nullptr;
    }
}

void DestroyResources() {
  DestroyBrushes();
  expandedGlyph.reset();
  collapsedGlyph.reset();
}

String FileNamePart(const String& path) {
  size_t p = path.find_last_of("\\/");
  return p == String::npos ? path : path.substr(p + 1);
}
}  // namespace

Byte DetectOffice11Scheme() {
  if (!AreThemesAvailable()) return 0;
  String file, color, size;
  if (FAILED(UxGetCurrentThemeName(file, 1024, color, 1024, size, 1024))) return 0;
  String name = UpperCase(FileNamePart(file));
  if (name != "LUNA.MSSTYLES" && name != "ROYALE.MSSTYLES") return 0;
  String c = UpperCase(color);
  if (c == "NORMALCOLOR") return 1;
  if (c == "HOMESTEAD") return 2;
  if (c == "METALLIC") return 3;
  return 0;
}

Byte Office11SchemeIndex() { return schemeIndex; }
bool Office11SchemeColorsInUse() { return schemeColorsInUse; }

void ComputeOffice11Colors() {
  schemeIndex = DetectOffice11Scheme();
  schemeColorsInUse = AreThemesAvailable() && schemeIndex != 0;
  if (schemeColorsInUse) {
    Office11LightFaceColor = Entry(0);
    Office11DarkFaceColor = Entry(1);
    Office11FaceColor = Entry(2);
    Office11TabFaceColor = Entry(3);
    Office11GripDotColor = Entry(12);
    Office11GripDotHighlightColor = Entry(13);
    Office11HeaderLineColor = Entry(14);
    Office11HeaderLightLineColor = Entry(15);
    Office11FilterBoxColor = Entry(16);
    Office11DarkFaceAltColor = Entry(17);
    Office11ShadowFaceColor = Office11FilterBoxColor;
    Office11FilterBoxTextColor = Rgb(255, 255, 255);
    Office11TextColor = Rgb(0, 0, 0);
    Office11ControlBorderColor = Entry(18);
    Office11HighlightFrameColor = Entry(21);
    Office11HotFaceColor = Entry(22);
    Office11HotFaceDarkColor = Entry(23);
    Office11PressedFaceColor = Entry(24);
    Office11PressedFaceDarkColor = Entry(25);
    Office11SelectedFaceColor = Entry(27);
    Office11SelectedFaceDarkColor = Entry(28);
    Office11GlyphColor = Entry(30);
    Office11DisabledGlyphColor = Entry(31);
    Office11GroupRowColor = Entry(32);
    Office11SelectedDayColor = Entry(33);
    Office11InnerFaceColor = Entry(34);
    Office11OuterBorderColor = Entry(35);
    Office11GridLineColor = Entry(36);
    Office11PaleFaceColor = Rgb(253, 238, 201);
    Office11GroupLineColor = Entry(11);
    Office11GroupByBoxColor = MixColorsByPercent(Entry(4), Entry(11), 50);
    AssignDockingColors(true);
    return;
  }
  Office11LightFaceColor = MixColorsByPercent(clBtnFace, clWindow, 22);
  Office11DarkFaceColor = MixColorsByPercent(clBtnFace, clWindow, 96);
  Office11FaceColor = RgbOf(clBtnFace);
  Office11TabFaceColor = MixColorsByPercent(clBtnFace, clWindow, 20);
  Office11GripDotColor = MixColorsByPercent(clBtnShadow, clWindow, 76);
  Office11GripDotHighlightColor = RgbOf(clWindow);
  Office11HeaderLineColor = MixColorsByPercent(clBtnShadow, clWindow, 70);
  Office11HeaderLightLineColor = Rgb(255, 255, 255);
  Office11FilterBoxColor = RgbOf(clBtnShadow);
  Office11DarkFaceAltColor = Office11DarkFaceColor;
  Office11ShadowFaceColor = Office11FilterBoxColor;
  Office11FilterBoxTextColor = RgbOf(clBtnHighlight);
  Office11TextColor = RgbOf(clBtnText);
  Office11ControlBorderColor = RgbOf(clBtnShadow);
  Office11HighlightFrameColor = RgbOf(clHighlight);
  Office11HotFaceColor = NearestScreenColor(LightSystemColor(-2, 30, 72));
  Office11HotFaceDarkColor = Office11HotFaceColor;
  Office11PressedFaceColor = NearestScreenColor(LightSystemColor(14, 44, 40));
  Office11PressedFaceDarkColor = Office11PressedFaceColor;
  Office11SelectedFaceColor = LightSystemColor(41, 11, 48);
  Office11SelectedFaceDarkColor = NearestScreenColor(LightSystemColor(14, 44, 40));
  Office11GlyphColor = RgbOf(clBtnText);
  Office11DisabledGlyphColor = RgbOf(clGrayText);
  Office11GroupRowColor = RgbOf(clBtnFace);
  Office11SelectedDayColor = Office11SelectedFaceColor;
  Office11InnerFaceColor = Office11FaceColor;
  Office11OuterBorderColor = RgbOf(clBtnShadow);
  Office11GridLineColor = RgbOf(clBtnShadow);
  Office11PaleFaceColor = RgbOf(clBtnFace);
  Office11GroupLineColor = RgbOf(clBtnShadow);
  Office11GroupByBoxColor = MixColorsByPercent(RgbOf(clBtnShadow), RgbOf(clBtnFace), 50);
  AssignDockingColors(false);
}

void AcquireOffice11Colors() {
  if (useCount == 0) {
    ComputeOffice11Colors();
    CreateResources();
  }
  ++useCount;
}

void RebuildOffice11Colors() {
  ComputeOffice11Colors();
  if (useCount > 0) {
    DestroyBrushes();
    CreateResources();
  }
}

void ReleaseOffice11ColorSet() {
  if (useCount <= 0) return;
  if (--useCount == 0) DestroyResources();
}

Integer Office11ColorSetUseCount() { return useCount; }

HBRUSH Office11GripDotBrush() { return gripDotBrush; }
HBRUSH Office11GripDotHighlightBrush() { return gripDotHighlightBrush; }
HBRUSH Office11HighlightFrameBrush() { return highlightFrameBrush; }
TBitmap* Office11ExpandedGlyph() { return expandedGlyph.get(); }
TBitmap* Office11CollapsedGlyph() { return collapsedGlyph.get(); }

// ---- colour arithmetic ---------------------------------------------------------------------

TColor MixColorsByPercent(TColor color1, TColor color2, Integer percent) {
  COLORREF c1 = ColorToRGB(color1) & 0xFFFFFF, c2 = ColorToRGB(color2) & 0xFFFFFF;
  auto mix = [&](BYTE a, BYTE b) {
    Integer v = MulDiv(b, 100 - percent, 100) + MulDiv(a, percent, 100);
    return BYTE(std::clamp(v, 0, 255));
  };
  TColor r = TColor(RGB(mix(GetRValue(c1), GetRValue(c2)), mix(GetGValue(c1), GetGValue(c2)),
                        mix(GetBValue(c1), GetBValue(c2))));
  return NearestScreenColor(r);
}

TColor ScaleColorByPercent(TColor color, Integer percent) {
  COLORREF c = ColorToRGB(color) & 0xFFFFFF;
  auto sc = [&](BYTE v) { return BYTE(std::clamp<Integer>(Integer(std::lround(v * percent / 100.0)), 0, 255)); };
  return TColor(RGB(sc(GetRValue(c)), sc(GetGValue(c)), sc(GetBValue(c))));
}

TColor LightSystemColor(Integer facePct, Integer highlightPct, Integer windowPct) {
  return MixSystemColorsByPercent(facePct, highlightPct, windowPct);
}

bool ButtonFaceIsBlack() { return (ColorToRGB(clBtnFace) & 0xFFFFFF) == 0; }

// ---- fills ---------------------------------------------------------------------------------

void FillRectWithColor(HDC dc, const TRect& r, TColor color) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(color));
  FillRect(dc, &r, b);
  DeleteObject(b);
}

void FrameRectWithColor(HDC dc, const TRect& r, TColor color) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(color));
  FrameRect(dc, &r, b);
  DeleteObject(b);
}

void FillGradientRect(HDC dc, const TRect& r, TColor color1, TColor color2, bool horizontal) {
  COLORREF c1 = ColorToRGB(color1) & 0xFFFFFF, c2 = ColorToRGB(color2) & 0xFFFFFF;
  if (c1 == c2) {
    FillRectWithColor(dc, r, TColor(c1));
    return;
  }
  Integer size = horizontal ? r.Width() : r.Height();
  Integer n = std::min<Integer>(size, 256);
  if (n <= 0) return;
  Integer start = horizontal ? r.Left : r.Top;
  Integer end = start + size;
  Integer from = start;
  auto channel = [&](BYTE a, BYTE b, Integer i) {
    if (n == 1) return a;
    return BYTE(std::clamp(Integer(a) + MulDiv(i, Integer(b) - Integer(a), n - 1), 0, 255));
  };
  for (Integer i = 0; i < n; ++i) {
    Integer to = start + MulDiv(i + 1, size, n);
    if (to > from) {
      TRect band = horizontal ? TRect(from, r.Top, to, r.Bottom) : TRect(r.Left, from, r.Right, to);
      COLORREF c = RGB(channel(GetRValue(c1), GetRValue(c2), i), channel(GetGValue(c1), GetGValue(c2), i),
                       channel(GetBValue(c1), GetBValue(c2), i));
      FillRectWithColor(dc, band, TColor(c));
      from = to;
    }
    if (from >= end) break;
  }
}

void FrameOffice11HighlightRect(HDC dc, const TRect& r) {
  if (ButtonFaceIsBlack()) {
    FrameRectWithColor(dc, r, clHighlightText);
    return;
  }
  if (highlightFrameBrush)
    FrameRect(dc, &r, highlightFrameBrush);
  else
    FrameRectWithColor(dc, r, Office11HighlightFrameColor);
}

void DrawGripDotLine(HDC dc, const TRect& r, bool vertical) {
  Integer length = vertical ? r.Height() : r.Width();
  if (length <= 0) return;
  Integer rem = length % 4;
  Integer shift = (rem == 0 || rem == 1) ? rem : rem / 2;
  TRect cell = Bounds(r.Left, r.Top, 4, 4);
  if (vertical)
    cell = ShiftedRect(cell, 0, shift);
  else
    cell = ShiftedRect(cell, shift, 0);
  auto fill = [&](const TRect& rr, HBRUSH b, TColor c) {
    if (b)
      FillRect(dc, &rr, b);
    else
      FillRectWithColor(dc, rr, c);
  };
  do {
    TRect dot = Bounds(cell.Left + 1, cell.Top + 1, 2, 2);
    fill(dot, gripDotHighlightBrush, Office11GripDotHighlightColor);
    fill(ShiftedRect(dot, -1, -1), gripDotBrush, Office11GripDotColor);
    cell = vertical ? ShiftedRect(cell, 0, 4) : ShiftedRect(cell, 4, 0);
  } while (vertical ? cell.Bottom <= r.Bottom : cell.Right <= r.Right);
}

void DrawGripDots(HDC dc, const TRect& r) {
  TRect line(r.Right - 12, r.Bottom - 3, r.Right, r.Bottom);
  for (int i = 0; i < 3; ++i) {
    DrawGripDotLine(dc, line, false);
    line.Left += 4;
    line = ShiftedRect(line, 0, -4);
  }
}

void InitializeDxOffice11() { InitializeDxThemeManager(); }
