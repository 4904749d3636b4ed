// The Office11 painter: scheme colours, header gradients and bitmap expand buttons on top
// of the ultra-flat recipes.
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeelPaintersInternal.h"
#include "foundation/dxOffice11.h"

using namespace painters_detail;

const TcxOffice11LookAndFeelPainter* TcxOffice11LookAndFeelPainter::Class() {
  static const TcxOffice11LookAndFeelPainter instance;
  return &instance;
}

void TcxOffice11LookAndFeelPainter::PaintCellContent(TcxCanvas* canvas, const TRect& bounds,
                                                     const TRect& textAreaBounds, TcxButtonState state,
                                                     TAlignment alignHorz, TcxAlignmentVert alignVert,
                                                     bool multiLine, bool showEndEllipsis, const String& text,
                                                     TFont* font, TColor textColor, TColor,
                                                     const TcxDrawBackgroundEvent& onDrawBackground,
                                                     bool flat) const {
  HDC dc = canvas->DeviceContext();
  if (!(onDrawBackground && onDrawBackground(canvas, bounds))) {
    TColor c1 = state == cxbsHot ? Office11LightFaceColor : HeaderGradientTopColor();
    TColor c2 = state == cxbsHot ? Office11LightFaceColor : HeaderGradientBottomColor();
    if (flat) {
      FillRectWithColor(dc, bounds, c1);
    } else {
      FillRectWithColor(dc, TRect(bounds.Left, bounds.Top, bounds.Right, bounds.Bottom - 3), c1);
      FillGradientRect(dc, TRect(bounds.Left, bounds.Bottom - 4, bounds.Right, bounds.Bottom), c1, c2, false);
    }
  }
  if (!text.empty()) {
    ClearBrush(canvas);
    PrepareFont(canvas, font, textColor);
    canvas->OutputText(text, textAreaBounds, CellTextFlags(alignHorz, alignVert, multiLine, showEndEllipsis), true);
    SolidBrush(canvas);
  }
  if (state == cxbsHot)
    FillGradientRect(dc, TRect(bounds.Left - 1, bounds.Bottom - 2, bounds.Right, bounds.Bottom + 1),
                     Office11HotFaceColor, Office11HotFaceDarkColor, false);
}

TColor TcxOffice11LookAndFeelPainter::FilterBoxColor() const { return Office11FilterBoxColor; }
TColor TcxOffice11LookAndFeelPainter::FilterBoxTextColor() const { return Office11FilterBoxTextColor; }
TColor TcxOffice11LookAndFeelPainter::FooterColor() const { return Office11FaceColor; }
TColor TcxOffice11LookAndFeelPainter::GroupColor() const { return Office11GroupRowColor; }
TColor TcxOffice11LookAndFeelPainter::GroupByBoxColor() const { return Office11GroupByBoxColor; }
TColor TcxOffice11LookAndFeelPainter::GroupByBoxTextColor() const { return Office11LightFaceColor; }
TColor TcxOffice11LookAndFeelPainter::CalendarFaceColor() const { return Office11FaceColor; }
TColor TcxOffice11LookAndFeelPainter::CalendarSelectedDayColor() const { return Office11SelectedDayColor; }
TColor TcxOffice11LookAndFeelPainter::BorderColor() const { return Office11OuterBorderColor; }
TColor TcxOffice11LookAndFeelPainter::ExtraFaceColor() const { return Office11InnerFaceColor; }
TColor TcxOffice11LookAndFeelPainter::TabColor() const { return Office11TabFaceColor; }
TColor TcxOffice11LookAndFeelPainter::ExtraPanelColor() const { return Office11FaceColor; }
TColor TcxOffice11LookAndFeelPainter::HotFrameColor() const { return Office11HighlightFrameColor; }

TColor TcxOffice11LookAndFeelPainter::HeaderGradientBottomColor() const { return Office11DarkFaceColor; }
TColor TcxOffice11LookAndFeelPainter::HeaderBottomLineColor() const { return Office11HeaderLineColor; }
TColor TcxOffice11LookAndFeelPainter::HeaderSeparatorLightColor() const { return Office11HeaderLightLineColor; }
TColor TcxOffice11LookAndFeelPainter::HeaderGradientTopColor() const {
  return MixColorsByPercent(Office11LightFaceColor, Office11DarkFaceColor, 50);
}

void TcxOffice11LookAndFeelPainter::PaintControlBorder(TcxCanvas* canvas, const TRect& r) const {
  FrameIn(canvas, r, Office11ControlBorderColor);
}

void TcxOffice11LookAndFeelPainter::PaintBorder(TcxCanvas* canvas, const TRect& r) const {
  FrameIn(canvas, r, BorderColor());
}

TColor TcxOffice11LookAndFeelPainter::ButtonFaceColor(TcxButtonState state) const {
  switch (state) {
    case cxbsHot: return Office11HotFaceColor;
    case cxbsPressed: return Office11PressedFaceColor;
    case cxbsDisabled: return clBtnFace;
    default: return Office11FaceColor;
  }
}

TColor TcxOffice11LookAndFeelPainter::ButtonGlyphColor(TcxButtonState state, TColor) const {
  if (state == cxbsPressed && !Office11SchemeColorsInUse()) return clHighlightText;
  if (state == cxbsDisabled) return Office11DisabledGlyphColor;
  return Office11GlyphColor;
}

void TcxOffice11LookAndFeelPainter::PaintButtonFrame(TcxCanvas* canvas, const TRect& r,
                                                     TcxButtonState state) const {
  switch (state) {
    case cxbsDefault: TcxUltraFlatLookAndFeelPainter::PaintButtonFrame(canvas, r, state); break;
    case cxbsNormal: FrameIn(canvas, r, clBtnText); break;
    case cxbsDisabled: FrameIn(canvas, r, Office11DisabledGlyphColor); break;
    default: FrameIn(canvas, r, Office11HighlightFrameColor); break;
  }
}

void TcxOffice11LookAndFeelPainter::PaintExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded,
                                                      TColor) const {
  TBitmap* glyph = expanded ? Office11ExpandedGlyph() : Office11CollapsedGlyph();
  if (glyph == nullptr || glyph->Width() < 11 || glyph->Height() < 11) {
    // The colour set is not held: draw the ultra-flat button instead of nothing.
    TcxUltraFlatLookAndFeelPainter::PaintExpandButton(canvas, Bounds(r.Left, r.Top, 11, 11), expanded, clDefault);
    return;
  }
  // The corners blend into whatever lies under the button.
  TCanvas* c = canvas->Canvas();
  TColor light = MixColorsByPercent(Office11ExpandCornerLightColor, c->Pixels(r.Left, r.Top), 25);
  TColor dark = MixColorsByPercent(Office11ExpandCornerDarkColor, c->Pixels(r.Right - 1, r.Bottom - 1), 25);
  TCanvas* g = glyph->Canvas();
  g->SetPixels(0, 0, light);
  g->SetPixels(10, 10, dark);
  g->SetPixels(0, 10, dark);
  g->SetPixels(10, 0, dark);
  BitBlt(canvas->DeviceContext(), r.Left, r.Top, 11, 11, g->Handle(), 0, 0, SRCCOPY);
}

void TcxOffice11LookAndFeelPainter::PaintSmallExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded,
                                                           TColor, TColor color) const {
  PaintExpandButton(canvas, r, expanded, color);
}

TColor TcxOffice11LookAndFeelPainter::CheckFaceColor(TcxButtonState state) const {
  if (state == cxbsHot || state == cxbsPressed || state == cxbsDisabled) return ButtonFaceColor(state);
  return TcxCustomLookAndFeelPainter::CheckFaceColor(state);
}

void TcxOffice11LookAndFeelPainter::PaintHeader(TcxCanvas* canvas, const TRect& bounds,
                                                const TRect& textAreaBounds, const TcxNeighbors& neighbors,
                                                const TcxBorders& borders, TcxButtonState state,
                                                TAlignment alignHorz, TcxAlignmentVert alignVert, bool multiLine,
                                                bool showEndEllipsis, const String& text, TFont* font,
                                                TColor textColor, TColor bkColor, const TcxDrawBackgroundEvent&,
                                                bool isLast) const {
  // The owner's background handler is never consulted for these headers.
  TcxCustomLookAndFeelPainter::PaintHeader(canvas, bounds, textAreaBounds, neighbors, borders, state, alignHorz,
                                           alignVert, multiLine, showEndEllipsis, text, font, textColor, bkColor,
                                           nullptr, isLast);
}

void TcxOffice11LookAndFeelPainter::PaintHeaderFrame(TcxCanvas* canvas, const TRect& r,
                                                     const TcxNeighbors& neighbors,
                                                     const TcxBorders& borders) const {
  TColor c1 = HeaderGradientTopColor(), c2 = HeaderGradientBottomColor(), l = HeaderBottomLineColor();
  TColor light = HeaderSeparatorLightColor();
  auto column = [&](Integer x, Integer top, Integer bottomInclusive, TColor c) {
    canvas->FillRectColor(TRect(x, top, x + 1, bottomInclusive + 1), c);
  };
  if (borders.Contains(bTop)) canvas->FillRectColor(TRect(r.Left, r.Top, r.Right, r.Top + 1), c1);
  if (borders.Contains(bBottom)) canvas->FillRectColor(TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), l);
  if (borders.Contains(bLeft)) {
    canvas->PutPixel(r.Left, r.Top + 1, c1);
    if (neighbors.Contains(nLeft)) {
      canvas->PutPixel(r.Left, r.Top + 2, c1);
      canvas->PutPixel(r.Left, r.Bottom - 3, MixColorsByPercent(c1, c2, 25));
      canvas->PutPixel(r.Left, r.Bottom - 2, c2);
      column(r.Left, r.Top + 2, r.Bottom - 4, light);
    } else {
      canvas->PutPixel(r.Left, r.Bottom - 2, c2);
      column(r.Left, r.Top + 1, r.Bottom - 3, light);
    }
  }
  if (borders.Contains(bRight)) {
    Integer x = r.Right - 1;
    if (neighbors.Contains(nRight)) {
      canvas->PutPixel(x, r.Top + 1, c1);
      canvas->PutPixel(x, r.Top + 2, c1);
      canvas->PutPixel(x, r.Bottom - 3, MixColorsByPercent(c1, c2, 25));
      canvas->PutPixel(x, r.Bottom - 2, c2);
      column(x, r.Top + 2, r.Bottom - 4, l);
    } else {
      canvas->PutPixel(x, r.Top, MixColorsByPercent(c1, l, 50));
      canvas->PutPixel(x, r.Bottom - 2, MixColorsByPercent(c2, l, 50));
      column(x, r.Top + 1, r.Bottom - 3, l);
    }
  }
}

void TcxOffice11LookAndFeelPainter::PaintHeaderSection(TcxCanvas* canvas, const TRect& bounds,
                                                       const TRect& textAreaBounds, const TcxNeighbors& neighbors,
                                                       const TcxBorders& borders, TcxButtonState state,
                                                       TAlignment alignHorz, TcxAlignmentVert alignVert,
                                                       bool multiLine, bool showEndEllipsis, const String& text,
                                                       TFont* font, TColor textColor, TColor bkColor) const {
  PaintHeader(canvas, bounds, textAreaBounds, neighbors, borders, state, alignHorz, alignVert, multiLine,
              showEndEllipsis, text, font, textColor, bkColor, nullptr, false);
  if (state == cxbsPressed) PaintHeaderBackground(canvas, bounds);
}

void TcxOffice11LookAndFeelPainter::PaintSortMark(TcxCanvas* canvas, const TRect& r, bool ascending) const {
  PaintSortTriangle(canvas, r, HeaderBottomLineColor(), HeaderSeparatorLightColor(), ascending);
}

void TcxOffice11LookAndFeelPainter::PaintFilterDropDownButton(TcxCanvas* canvas, const TRect& r,
                                                              TcxButtonState state, bool isFilterActive) const {
  TcxUltraFlatLookAndFeelPainter::PaintFilterDropDownButton(canvas, r, state, isFilterActive);
}

void TcxOffice11LookAndFeelPainter::PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const TRect& r,
                                                       TcxScrollBarPart part, TcxButtonState state) const {
  if (AreThemesAvailable())
    TcxWinXPLookAndFeelPainter::Class()->PaintScrollBarPart(canvas, horizontal, r, part, state);
  else
    TcxStandardLookAndFeelPainter::Class()->PaintScrollBarPart(canvas, horizontal, r, part, state);
}

void TcxOffice11LookAndFeelPainter::PaintSizeGrip(TcxCanvas* canvas, const TRect& r, TColor bkColor) const {
  canvas->FillRectColor(r, bkColor);
  DrawGripDots(canvas->DeviceContext(), r);
}

void TcxOffice11LookAndFeelPainter::PaintMonthHeader(TcxCanvas* canvas, const TRect& r, const String& text,
                                                     const TcxNeighbors&, const TcxStyleParams& viewParams,
                                                     const TcxHeaderArrows& arrows, Integer arrowIndent,
                                                     const TcxDrawBackgroundEvent& onDrawBackground) const {
  TRect rr = Deflated(r, 1);
  if (!(onDrawBackground && onDrawBackground(canvas, rr)))
    canvas->FillFramedArea(rr, viewParams, TcxBorders{}, clDefault, 1, false);
  if (!text.empty()) {
    ClearBrush(canvas);
    PrepareFont(canvas, viewParams.Font, viewParams.TextColor);
    canvas->OutputText(text, rr, ctfHCenter | ctfVCenter | ctfSingleLine, true);
    SolidBrush(canvas);
  }
  PaintMonthHeaderArrows(canvas, r, arrows, arrowIndent, clWindowText);
}

void TcxOffice11LookAndFeelPainter::PaintNavigatorButton(TcxCanvas* canvas, const TRect& r,
                                                         TcxButtonState state) const {
  TcxWinXPLookAndFeelPainter::Class()->PaintNavigatorButton(canvas, r, state);
}

TColor TcxOffice11LookAndFeelPainter::ButtonBorderColor(TcxButtonState state) const {
  return state == cxbsNormal ? HeaderBottomLineColor() : Office11HighlightFrameColor;
}
