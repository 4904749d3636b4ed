// The Office11 colour set (scheme colours when a matching visual style runs, system-
// derived colours otherwise), its brushes and expand-button glyphs, and the colour
// arithmetic and simple fills the painters share.
#pragma once

#include "foundation/dxThemeManager.h"
#include "vcl/Graphics.h"

// ---- scheme --------------------------------------------------------------------------------

// 0 none, 1 "NORMALCOLOR", 2 "HOMESTEAD", 3 "METALLIC".
Byte DetectOffice11Scheme();
Byte Office11SchemeIndex();
bool Office11SchemeColorsInUse();
void ComputeOffice11Colors();
// Use count of the colour set: the first acquire computes the colours and makes the brushes.
void AcquireOffice11Colors();
// Recomputes the colours; while the set is held the brushes are made again.
void RebuildOffice11Colors();
void ReleaseOffice11ColorSet();
Integer Office11ColorSetUseCount();

// ---- the colours (RGB values) --------------------------------------------------------------

extern TColor Office11LightFaceColor;
extern TColor Office11DarkFaceColor;
extern TColor Office11FaceColor;
extern TColor Office11TabFaceColor;
extern TColor Office11GripDotColor;
extern TColor Office11GripDotHighlightColor;
extern TColor Office11HeaderLineColor;
extern TColor Office11HeaderLightLineColor;
extern TColor Office11FilterBoxColor;
extern TColor Office11DarkFaceAltColor;
extern TColor Office11ShadowFaceColor;
extern TColor Office11FilterBoxTextColor;
extern TColor Office11TextColor;
extern TColor Office11ControlBorderColor;
extern TColor Office11HighlightFrameColor;
extern TColor Office11HotFaceColor;
extern TColor Office11HotFaceDarkColor;
extern TColor Office11PressedFaceColor;
extern TColor Office11PressedFaceDarkColor;
extern TColor Office11SelectedFaceColor;
extern TColor Office11SelectedFaceDarkColor;
extern TColor Office11GlyphColor;
extern TColor Office11DisabledGlyphColor;
extern TColor Office11GroupRowColor;
extern TColor Office11SelectedDayColor;
extern TColor Office11InnerFaceColor;
extern TColor Office11OuterBorderColor;
extern TColor Office11GridLineColor;
extern TColor Office11PaleFaceColor;
extern TColor Office11GroupLineColor;
extern TColor Office11GroupByBoxColor;
// The dock painters' colours: back, button, caption, frame, dock, hot, pressed, selected and
// tab separator colours; the active caption's colour is always the frame colour.
extern TColor Office11BackColor1;
extern TColor Office11BackColor2;
extern TColor Office11ButtonColor1;
extern TColor Office11ButtonColor2;
extern TColor Office11CaptionColor;
extern TColor Office11CaptionTextColor;
extern TColor Office11ActiveCaptionColor;
extern TColor Office11ActiveCaptionTextColor;
extern TColor Office11DockColor1;
extern TColor Office11DockColor2;
extern TColor Office11FrameColor;
extern TColor Office11HotColor1;
extern TColor Office11HotColor2;
extern TColor Office11PressedColor1;
extern TColor Office11PressedColor2;
extern TColor Office11SelectedColor;
extern TColor Office11TabSeparatorColor1;
extern TColor Office11TabSeparatorColor2;

constexpr TColor Office11ExpandCornerLightColor = 0xBFAE9E;  // RGB (158, 174, 191)
constexpr TColor Office11ExpandCornerDarkColor = 0x5F462E;   // RGB (46, 70, 95)

// Solid brushes of the grip-dot, grip-dot highlight and highlight-frame colours; null while
// the colour set is not held.
HBRUSH Office11GripDotBrush();
HBRUSH Office11GripDotHighlightBrush();
HBRUSH Office11HighlightFrameBrush();
// The 11 x 11 expand-button glyphs (minus and plus); null while the set is not held.
TBitmap* Office11ExpandedGlyph();
TBitmap* Office11CollapsedGlyph();

// ---- colour arithmetic ---------------------------------------------------------------------

// percent is the share of color1; the result is the nearest colour the screen can show.
TColor MixColorsByPercent(TColor color1, TColor color2, Integer percent);
TColor ScaleColorByPercent(TColor color, Integer percent);
// The highlight colour when the button face is black or white, else the per-channel mix.
TColor LightSystemColor(Integer facePct, Integer highlightPct, Integer windowPct);
bool ButtonFaceIsBlack();

// ---- fills ---------------------------------------------------------------------------------

// At most 256 bands from color1 to color2, left to right (horizontal) or top to bottom.
void FillGradientRect(HDC dc, const TRect& r, TColor color1, TColor color2, bool horizontal);
void FillRectWithColor(HDC dc, const TRect& r, TColor color);
void FrameRectWithColor(HDC dc, const TRect& r, TColor color);
void FrameOffice11HighlightRect(HDC dc, const TRect& r);
void DrawGripDotLine(HDC dc, const TRect& r, bool vertical);
// Three dot lines forming a triangle in the bottom-right corner (3, 2 and 1 dots).
void DrawGripDots(HDC dc, const TRect& r);

void InitializeDxOffice11();
