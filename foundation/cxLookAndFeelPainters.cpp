// The painter contract's base behaviour and the glyph geometry every painter shares.
#include "foundation/cxLookAndFeelPainters.h"

#include <algorithm>
#include <cmath>

#include "foundation/cxLookAndFeelPaintersInternal.h"

using namespace painters_detail;

// ---- helpers -------------------------------------------------------------------------------

namespace painters_detail {

TRect Deflated(const TRect& r, Integer d) { return TRect(r.Left + d, r.Top + d, r.Right - d, r.Bottom - d); }

void SetPenColor(TcxCanvas* canvas, TColor color) {
  canvas->CurrentPen()->SetColor(color);
  canvas->CurrentPen()->SetStyle(psSolid);
}

void Line(TcxCanvas* canvas, Integer x0, Integer y0, Integer x1, Integer y1) {
  canvas->MovePenTo(x0, y0);
  canvas->DrawLineTo(x1, y1);
}

void SolidBrush(TcxCanvas* canvas) {
  if (canvas->CurrentBrush()->Style() != bsSolid) canvas->CurrentBrush()->SetStyle(bsSolid);
}

void ClearBrush(TcxCanvas* canvas) { canvas->CurrentBrush()->SetStyle(bsClear); }

void PrepareFont(TcxCanvas* canvas, TFont* font, TColor color) {
  if (font != nullptr) canvas->ApplyFont(font);
  if (color != clDefault && color != clNone) canvas->CurrentFont()->SetColor(color);
}

}  // namespace painters_detail

TcxLookAndFeelKind LookAndFeelKindOfStyle(Integer style) {
  switch (style) {
    case lfsFlat: return lfFlat;
    case lfsUltraFlat: return lfUltraFlat;
    case lfsOffice11: return lfOffice11;
    default: return lfStandard;
  }
}

TcxTextFlags AlignHorzFlag(TAlignment a) {
  switch (a) {
    case taRightJustify: return ctfRight;
    case taCenter: return ctfHCenter;
    default: return ctfLeft;
  }
}

TcxTextFlags AlignVertFlag(TcxAlignmentVert a) {
  switch (a) {
    case vaBottom: return ctfBottom;
    case vaCenter: return ctfVCenter;
    default: return ctfTop;
  }
}

TcxTextFlags CellTextFlags(TAlignment horz, TcxAlignmentVert vert, bool multiLine, bool endEllipsis) {
  return AlignHorzFlag(horz) | AlignVertFlag(vert) | (multiLine ? ctfWordBreak : ctfSingleLine) |
         (endEllipsis ? ctfEndEllipsis : 0);
}

// ---- the base painter ----------------------------------------------------------------------

const TcxCustomLookAndFeelPainter* TcxCustomLookAndFeelPainter::Class() {
  static const TcxCustomLookAndFeelPainter instance;
  return &instance;
}

void TcxCustomLookAndFeelPainter::DrawTriangle(TcxCanvas* canvas, const TPoint points[3], TColor color) {
  canvas->SetBrushColor(color);
  SolidBrush(canvas);
  SetPenColor(canvas, color);
  canvas->DrawPolygon(points, 3);
  // Glyph triangles are solid: every pixel whose position lies inside the triangle (the
  // points name pixels) is filled, so that small arrows have no holes.
  Integer top = std::min({points[0].Y, points[1].Y, points[2].Y});
  Integer bottom = std::max({points[0].Y, points[1].Y, points[2].Y});
  for (Integer y = top; y <= bottom; ++y) {
    double lo = 1e9, hi = -1e9;
    for (int i = 0; i < 3; ++i) {
      const TPoint& a = points[i];
      const TPoint& b = points[(i + 1) % 3];
      if ((y < a.Y && y < b.Y) || (y > a.Y && y > b.Y)) continue;
      if (a.Y == b.Y) {
        lo = std::min<double>({lo, double(a.X), double(b.X)});
        hi = std::max<double>({hi, double(a.X), double(b.X)});
      } else {
        double x = a.X + double(b.X - a.X) * (y - a.Y) / double(b.Y - a.Y);
        lo = std::min(lo, x);
        hi = std::max(hi, x);
      }
    }
    if (lo > hi) continue;
    Integer x0 = Integer(std::ceil(lo - 1e-9)), x1 = Integer(std::floor(hi + 1e-9));
    if (x0 <= x1) canvas->FillRectColor(TRect(x0, y, x1 + 1, y + 1), color);
  }
}

void TcxCustomLookAndFeelPainter::PaintButtonArrow(TcxCanvas* canvas, const TRect& r, TColor color) const {
  Integer w = (r.Right - r.Left) / 2;
  if (w % 2 == 0) ++w;
  Integer h = w / 2 + 1;
  TPoint p[3];
  p[0] = TPoint((r.Left + r.Right - w) / 2, MulDiv(r.Top + r.Bottom - h, 1, 2));
  p[1] = TPoint(p[0].X + w - 1, p[0].Y);
  p[2] = TPoint(p[0].X + w / 2, p[0].Y + h - 1);
  DrawTriangle(canvas, p, color);
}

void TcxCustomLookAndFeelPainter::PaintCellContent(TcxCanvas* canvas, const TRect& bounds,
                                                   const TRect& textAreaBounds, TcxButtonState,
                                                   TAlignment alignHorz, TcxAlignmentVert alignVert,
                                                   bool multiLine, bool showEndEllipsis, const String& text,
                                                   TFont* font, TColor textColor, TColor bkColor,
                                                   const TcxDrawBackgroundEvent& onDrawBackground, bool) const {
  if (!(onDrawBackground && onDrawBackground(canvas, bounds))) canvas->FillRectColor(bounds, bkColor);
  if (!text.empty()) {
    ClearBrush(canvas);
    PrepareFont(canvas, font, textColor);
    canvas->OutputText(text, textAreaBounds, CellTextFlags(alignHorz, alignVert, multiLine, showEndEllipsis), true);
    SolidBrush(canvas);
  }
}

TRect TcxCustomLookAndFeelPainter::FooterCellContentBounds(const TRect& r) const {
  return Deflated(r, FooterCellFrameWidth());
}

TRect TcxCustomLookAndFeelPainter::FooterCellTextBounds(const TRect& r) const {
  return Deflated(FooterCellContentBounds(r), 2);
}

void TcxCustomLookAndFeelPainter::PaintArrow(TcxCanvas* canvas, const TRect& r, TcxArrowDirection direction,
                                             TColor color) const {
  TPoint p[3];
  ComputeArrowPoints(r, direction, true, 0, p);
  DrawTriangle(canvas, p, color);
}

void TcxCustomLookAndFeelPainter::PaintArrowButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                                   TcxArrowDirection direction, bool drawFrame) const {
  TPoint p[3];
  ComputeArrowPoints(r, direction, false, 0, p);
  if (drawFrame)
    PaintArrowButtonFrame(canvas, r, state);
  else
    canvas->FillRectColor(r, ButtonFaceColor(state));
  DrawTriangle(canvas, p, ButtonGlyphColor(state, clDefault));
}

void TcxCustomLookAndFeelPainter::PaintArrowButtonFrame(TcxCanvas* canvas, const TRect& r,
                                                        TcxButtonState state) const {
  canvas->FillRectColor(r, ButtonFaceColor(state));
  PaintButtonFrame(canvas, r, state);
}

void TcxCustomLookAndFeelPainter::PaintStateArrow(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                                  TcxArrowDirection direction) const {
  TRect rr = r;
  if (state == cxbsPressed) rr = ShiftedRect(rr, ButtonPressedTextShift(), ButtonPressedTextShift());
  TPoint p[3];
  ComputeArrowPoints(rr, direction, true, 0, p);
  if (state == cxbsDisabled) {
    TPoint q[3] = {OffsetPoint(p[0], 1, 1), OffsetPoint(p[1], 1, 1), OffsetPoint(p[2], 1, 1)};
    DrawTriangle(canvas, q, clBtnHighlight);
    DrawTriangle(canvas, p, clBtnShadow);
  } else {
    DrawTriangle(canvas, p, ButtonGlyphColor(state, clDefault));
  }
}

TRect TcxCustomLookAndFeelPainter::ButtonFocusBounds(TcxCanvas*, const TRect& r) const {
  TRect d = Deflated(r, 4);
  return d.IsEmpty() ? r : d;
}

TRect TcxCustomLookAndFeelPainter::ButtonGroupFrameWidths(Integer, Integer) const {
  Integer w = ButtonFrameWidth(cxbsNormal);
  return TRect(w, w, w, w);
}

TColor TcxCustomLookAndFeelPainter::ButtonGlyphColor(TcxButtonState state, TColor defaultColor) const {
  if (state == cxbsDisabled) return clBtnShadow;
  return defaultColor == clDefault ? clBtnText : defaultColor;
}

void TcxCustomLookAndFeelPainter::PaintButton(TcxCanvas* canvas, const TRect& r, const String& caption,
                                              TcxButtonState state, bool drawFrame, TColor color,
                                              TColor textColor) const {
  TRect rr = r;
  if (drawFrame) {
    PaintButtonFrame(canvas, rr, state);
    rr = Deflated(rr, ButtonFrameWidth(state));
  }
  canvas->FillRectColor(rr, color == clDefault ? ButtonFaceColor(state) : color);
  canvas->CurrentFont()->SetColor(textColor == clDefault ? ButtonGlyphColor(state, clDefault) : textColor);
  ClearBrush(canvas);
  if (rr.Height() % 2 != 0) --rr.Bottom;
  if (rr.Height() < 18) --rr.Top;
  if (state == cxbsPressed) rr = ShiftedRect(rr, ButtonPressedTextShift(), ButtonPressedTextShift());
  if (!caption.empty())
    canvas->OutputText(caption, rr, ctfHCenter | ctfVCenter | ctfSingleLine | ctfShowPrefix, state != cxbsDisabled);
  SolidBrush(canvas);
}

void TcxCustomLookAndFeelPainter::PaintBlankButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                                   Integer, Integer, TColor) const {
  PaintButton(canvas, r, "", state, true, clDefault, clDefault);
}

void TcxCustomLookAndFeelPainter::PaintGroupExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded,
                                                         TcxButtonState state) const {
  PaintButton(canvas, r, "", state, true, clDefault, clDefault);
  PaintGroupExpandMark(canvas, r, expanded, state);
}

void TcxCustomLookAndFeelPainter::PaintSmallExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded,
                                                         TColor borderColor, TColor color) const {
  canvas->DrawFrameSides(r, borderColor, 1, cxBordersAll, false);
  if (color != clDefault) canvas->FillRectColor(Deflated(r, 1), color);
  PaintExpandCross(canvas, r, expanded, clBtnText);
}

bool TcxCustomLookAndFeelPainter::HitTestGroupExpandButton(const TRect& r, const TPoint& p) const {
  return r.Contains(p);
}

TColor TcxCustomLookAndFeelPainter::CheckFaceColor(TcxButtonState state) const {
  return state == cxbsPressed || state == cxbsDisabled ? clBtnFace : clWindow;
}

TSize TcxCustomLookAndFeelPainter::CheckBoxExtent() const { return SystemCheckBoxSize(); }

void TcxCustomLookAndFeelPainter::DrawCheckMarkStrokes(TcxCanvas* canvas, const TRect& r, TColor color) {
  Integer sx = r.Width() - 2, sy = r.Height() - 4;
  SetPenColor(canvas, color);
  for (Integer d = 0; d < 3; ++d) {
    Integer cx = (r.Left + r.Right) / 2 - 1;
    Integer y = (r.Top + r.Bottom + sy) / 2 - 2 + d;
    canvas->MovePenTo(cx - sx / 2 + 1, y - sy / 2);
    canvas->DrawLineTo(cx, y);
    canvas->DrawLineTo(cx + sx / 2 + 2, y - sy);
  }
}

void TcxCustomLookAndFeelPainter::PaintCheckMark(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                                 bool checked, TColor color) const {
  if (canvas->CurrentBrush()->Style() == bsSolid) canvas->FillRectColor(r, CheckFaceColor(state));
  if (checked) DrawCheckMarkStrokes(canvas, r, color);
}

void TcxCustomLookAndFeelPainter::PaintCheckBox(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                                bool checked) const {
  PaintCheckFrame(canvas, r, state);
  PaintCheckMark(canvas, Deflated(r, CheckFrameWidth()), state, checked,
                 state == cxbsDisabled ? clGrayText : clBtnText);
}

void TcxCustomLookAndFeelPainter::PaintRadioButton(TcxCanvas* canvas, Integer x, Integer y, TcxButtonState state,
                                                   bool checked, bool focused, TColor bkColor,
                                                   bool isDesigning) const {
  SharedRadioButtonImages()->DrawImage(canvas, x, y, bkColor, LookAndFeelKindOfStyle(PainterStyle()), state,
                                       checked, focused, isDesigning);
}

TSize TcxCustomLookAndFeelPainter::RadioButtonExtent() const { return SharedRadioButtonImages()->ImageSize(); }

void TcxCustomLookAndFeelPainter::PaintHeader(TcxCanvas* canvas, const TRect& bounds, const TRect& textAreaBounds,
                                              const TcxNeighbors& neighbors, const TcxBorders& borders,
                                              TcxButtonState state, TAlignment alignHorz,
                                              TcxAlignmentVert alignVert, bool multiLine, bool showEndEllipsis,
                                              const String& text, TFont* font, TColor textColor, TColor bkColor,
                                              const TcxDrawBackgroundEvent& onDrawBackground, bool) const {
  PaintHeaderFrame(canvas, bounds, neighbors, borders);
  PaintCellContent(canvas, HeaderTextBounds(bounds, borders), textAreaBounds, state, alignHorz, alignVert,
                   multiLine, showEndEllipsis, text, font, textColor, bkColor, onDrawBackground, false);
}

void TcxCustomLookAndFeelPainter::PaintItemHeader(TcxCanvas* canvas, const TRect& bounds,
                                                  const TRect& textAreaBounds, const TcxNeighbors& neighbors,
                                                  const TcxBorders& borders, TcxButtonState state,
                                                  TAlignment alignHorz, TcxAlignmentVert alignVert,
                                                  bool multiLine, bool showEndEllipsis, const String& text,
                                                  TFont* font, TColor textColor, TColor bkColor,
                                                  const TcxDrawBackgroundEvent& onDrawBackground) const {
  PaintHeader(canvas, bounds, textAreaBounds, neighbors, borders, state, alignHorz, alignVert, multiLine,
              showEndEllipsis, text, font, textColor, bkColor, onDrawBackground, false);
}

void TcxCustomLookAndFeelPainter::PaintHeaderBackground(TcxCanvas* canvas, const TRect& r) const {
  canvas->InvertArea(r);
}

void TcxCustomLookAndFeelPainter::PaintHeaderSection(TcxCanvas* canvas, const TRect& bounds,
                                                     const TRect& textAreaBounds, const TcxNeighbors&,
                                                     const TcxBorders& borders, TcxButtonState state,
                                                     TAlignment alignHorz, TcxAlignmentVert alignVert,
                                                     bool multiLine, bool showEndEllipsis, const String& text,
                                                     TFont* font, TColor textColor, TColor bkColor) const {
  PaintHeaderSectionFrame(canvas, bounds, borders, state);
  PaintHeaderSectionContent(canvas, HeaderSectionContentBounds(bounds, state), textAreaBounds, state, alignHorz,
                            alignVert, multiLine, showEndEllipsis, text, font, textColor, bkColor);
}

void TcxCustomLookAndFeelPainter::PaintHeaderSectionContent(TcxCanvas* canvas, const TRect& bounds,
                                                            const TRect& textAreaBounds, TcxButtonState state,
                                                            TAlignment alignHorz, TcxAlignmentVert alignVert,
                                                            bool multiLine, bool showEndEllipsis,
                                                            const String& text, TFont* font, TColor textColor,
                                                            TColor bkColor) const {
  canvas->FillRectColor(bounds, bkColor);
  PaintHeaderSectionText(canvas, HeaderSectionTextBounds(textAreaBounds, state), state, alignHorz, alignVert,
                         multiLine, showEndEllipsis, text, font, textColor);
}

void TcxCustomLookAndFeelPainter::PaintHeaderSectionText(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                                         TAlignment alignHorz, TcxAlignmentVert alignVert,
                                                         bool multiLine, bool showEndEllipsis, const String& text,
                                                         TFont* font, TColor textColor) const {
  ClearBrush(canvas);
  if (!text.empty()) {
    TcxTextFlags flags = CellTextFlags(alignHorz, alignVert, multiLine, showEndEllipsis);
    if (state == cxbsDisabled) {
      PrepareFont(canvas, font, clBtnHighlight);
      canvas->OutputText(text, ShiftedRect(r, 1, 1), flags, true);
      PrepareFont(canvas, font, clBtnShadow);
      canvas->OutputText(text, r, flags, true);
    } else {
      PrepareFont(canvas, font, textColor);
      canvas->OutputText(text, r, flags, true);
    }
  }
  SolidBrush(canvas);
}

TRect TcxCustomLookAndFeelPainter::HeaderContentBounds(const TRect& bounds, const TcxNeighbors& neighbors,
                                                       const TcxBorders& borders) const {
  TRect r = bounds;
  Integer w = HeaderFrameWidth();
  TcxBorders sides = borders - HeaderFrameSides(neighbors);
  if (sides.Contains(bLeft)) r.Left -= w;
  if (sides.Contains(bTop)) r.Top -= w;
  if (sides.Contains(bRight)) r.Right += w;
  if (sides.Contains(bBottom)) r.Bottom += w;
  return r;
}

TRect TcxCustomLookAndFeelPainter::HeaderTextBounds(const TRect& bounds, const TcxBorders& borders) const {
  TRect r = bounds;
  Integer w = HeaderFrameWidth();
  if (borders.Contains(bLeft)) r.Left += w;
  if (borders.Contains(bTop)) r.Top += w;
  if (borders.Contains(bRight)) r.Right -= w;
  if (borders.Contains(bBottom)) r.Bottom -= w;
  return r;
}

Integer TcxCustomLookAndFeelPainter::HeaderHeightForText(Integer textHeight) const {
  return 2 * (HeaderFrameWidth() + 2) + textHeight;
}

TRect TcxCustomLookAndFeelPainter::HeaderSectionTextBounds(const TRect& r, TcxButtonState state) const {
  return state == cxbsPressed ? ShiftedRect(r, 1, 1) : r;
}

TRect TcxCustomLookAndFeelPainter::HeaderSectionContentBounds(const TRect& r, TcxButtonState state) const {
  return Deflated(r, HeaderSectionFrameWidth(state));
}

Integer TcxCustomLookAndFeelPainter::HeaderWidthForText(TcxCanvas* canvas, const TcxBorders& borders,
                                                        const String& text, TFont* font) const {
  if (font != nullptr) canvas->ApplyFont(font);
  Integer w = canvas->MeasureTextWidth(text) + 4;
  if (borders.Contains(bLeft)) w += HeaderFrameWidth();
  if (borders.Contains(bRight)) w += HeaderFrameWidth();
  return w;
}

TPoint TcxCustomLookAndFeelPainter::SortMarkAreaSize() const { return TPoint(16, SortMarkExtent().Y); }

void TcxCustomLookAndFeelPainter::PaintFooterCell(TcxCanvas* canvas, const TRect& r, TAlignment alignHorz,
                                                  TcxAlignmentVert alignVert, bool multiLine, const String& text,
                                                  TFont* font, TColor textColor, TColor bkColor,
                                                  const TcxDrawBackgroundEvent& onDrawBackground) const {
  PaintFooterCellFrame(canvas, r);
  PaintCellContent(canvas, FooterCellContentBounds(r), FooterCellTextBounds(r), cxbsDefault, alignHorz, alignVert,
                   multiLine, false, text, font, textColor, bkColor, onDrawBackground, true);
}

void TcxCustomLookAndFeelPainter::PaintFooterSeparator(TcxCanvas* canvas, const TRect& r) const {
  canvas->FillRectColor(r, FooterSeparatorColor());
}

void TcxCustomLookAndFeelPainter::PaintFilterActivateButton(TcxCanvas* canvas, const TRect& r,
                                                            TcxButtonState state, bool checked) const {
  PaintCheckBox(canvas, r, state, checked);
}

void TcxCustomLookAndFeelPainter::PaintFilterCloseButton(TcxCanvas* canvas, const TRect& r,
                                                         TcxButtonState state) const {
  PaintButtonFrame(canvas, r, state);
  TRect rr = Deflated(r, ButtonFrameWidth(cxbsNormal));
  canvas->FillRectColor(rr, ButtonFaceColor(state));
  PaintCloseCross(canvas, rr, ButtonGlyphColor(state, clDefault), ButtonGlyphState(state));
}

void TcxCustomLookAndFeelPainter::PaintIndicatorHeader(TcxCanvas* canvas, const TRect& r, TcxIndicatorKind kind,
                                                       TColor bkColor,
                                                       const TcxDrawBackgroundEvent& onDrawBackground) const {
  PaintHeader(canvas, r, r, TcxNeighbors{}, HeaderFrameSides(TcxNeighbors{nTop, nBottom}), cxbsNormal,
              taLeftJustify, vaTop, false, false, "", nullptr, clNone, bkColor, onDrawBackground, false);
  PaintIndicatorImage(canvas, r, kind);
}

void TcxCustomLookAndFeelPainter::PaintIndicatorItem(TcxCanvas* canvas, const TRect& r, TcxIndicatorKind kind,
                                                     TColor bkColor,
                                                     const TcxDrawBackgroundEvent& onDrawBackground) const {
  PaintItemHeader(canvas, r, r, TcxNeighbors{}, cxBordersAll, cxbsNormal, taLeftJustify, vaTop, false, false, "",
                  nullptr, clNone, bkColor, onDrawBackground);
  PaintIndicatorImage(canvas, r, kind);
}

TSize TcxCustomLookAndFeelPainter::SizeGripExtent() const {
  return TSize(GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL));
}

void TcxCustomLookAndFeelPainter::PaintSizeGrip(TcxCanvas* canvas, const TRect& r, TColor bkColor) const {
  canvas->FillRectColor(r, bkColor);
  TRect rr = r;
  DrawFrameControl(canvas->DeviceContext(), &rr, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

void TcxCustomLookAndFeelPainter::PaintMonthHeader(TcxCanvas* canvas, const TRect& r, const String& text,
                                                   const TcxNeighbors& neighbors, const TcxStyleParams& viewParams,
                                                   const TcxHeaderArrows& arrows, Integer arrowIndent,
                                                   const TcxDrawBackgroundEvent& onDrawBackground) const {
  PaintHeader(canvas, r, r, neighbors, HeaderFrameSides(neighbors), cxbsNormal, taCenter, vaCenter, false, false,
              text, viewParams.Font, viewParams.TextColor, viewParams.Color, onDrawBackground, false);
  PaintMonthHeaderArrows(canvas, r, arrows, arrowIndent, clWindowText);
}

void TcxCustomLookAndFeelPainter::PaintNavigatorButton(TcxCanvas* canvas, const TRect& r,
                                                       TcxButtonState state) const {
  PaintButton(canvas, r, "", state, true, clDefault, clDefault);
}

void TcxCustomLookAndFeelPainter::PaintNavigatorGlyph(TcxCanvas* canvas, TCustomImageList* images,
                                                      Integer imageIndex, Integer, const TRect& glyphRect,
                                                      bool enabled, bool) const {
  if (images != nullptr && imageIndex >= 0 && imageIndex < images->Count())
    canvas->DrawImageListItem(images, glyphRect.Left, glyphRect.Top, imageIndex, enabled);
}

// ---- glyph geometry ------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::ComputeArrowPoints(const TRect& r, TcxArrowDirection direction,
                                                     bool proportional, Integer size, TPoint p[3]) {
  Integer l = r.Left, t = r.Top, rt = r.Right, b = r.Bottom;
  if (proportional) {
    Integer d = (rt - l) - (b - t);
    if (d > 0) {
      l += d / 2;
      rt -= d / 2;
    } else {
      t += (-d) / 2;
      b -= (-d) / 2;
    }
  }
  Integer w, h;
  if (direction == adUp || direction == adDown) {
    if (size == 0) size = (rt - l - 1) / 4 + 1;
    w = 2 * size - 1;
    h = size;
  } else {
    if (size == 0) size = (b - t - 1) / 4 + 1;
    w = size;
    h = 2 * size - 1;
  }
  Integer y0 = MulDiv(t + b - h, 1, 2);
  switch (direction) {
    case adUp:
      p[1] = TPoint((l + rt - 1) / 2, y0);
      p[0] = TPoint((l + rt - w) / 2, p[1].Y + h - 1);
      p[2] = TPoint(p[0].X + w - 1, p[0].Y);
      break;
    case adDown:
      p[2] = TPoint((l + rt - w) / 2, y0);
      p[0] = TPoint(p[2].X + w - 1, p[2].Y);
      p[1] = TPoint((l + rt - 1) / 2, p[2].Y + h - 1);
      break;
    case adLeft:
      p[1] = TPoint((l + rt - w) / 2, (t + b) / 2);
      p[2] = TPoint(p[1].X + w - 1, y0);
      p[0] = TPoint(p[2].X, p[2].Y + h - 1);
      break;
    case adRight:
      p[0] = TPoint((l + rt - w) / 2, y0);
      p[1] = TPoint(p[0].X + w - 1, (t + b) / 2);
      p[2] = TPoint(p[0].X, p[0].Y + h - 1);
      break;
  }
}

void TcxCustomLookAndFeelPainter::PaintExpandCross(TcxCanvas* canvas, const TRect& r, bool expanded,
                                                   TColor color) const {
  Integer s = r.Width() - 4;
  Integer cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
  canvas->FillRectColor(TRect(cx - s / 2, cy, cx + s / 2 + 1, cy + 1), color);
  if (!expanded) canvas->FillRectColor(TRect(cx, cy - s / 2, cx + 1, cy + s / 2 + 1), color);
}

void TcxCustomLookAndFeelPainter::PaintGroupExpandMark(TcxCanvas* canvas, const TRect& r, bool expanded,
                                                       TcxButtonState state) const {
  SetPenColor(canvas, ButtonGlyphColor(state, clDefault));
  const Integer n = 3;
  Integer x0 = (r.Left + r.Right - (2 * n + 1)) / 2;
  Integer y0 = (r.Top + r.Bottom - 2 * (n + 1)) / 2;
  for (Integer y = y0; y <= y0 + 3; ++y) {
    Integer a = y;
    if (y >= y0 + 2) a += n - 1;
    if (expanded) a += n;
    Integer s = expanded ? 1 : -1;
    Integer k = (y - y0) & 1;
    if (!expanded) k = 1 - k;
    canvas->MovePenTo(x0 + k, a - s * k);
    canvas->DrawLineTo(x0 + n, a - n * s);
    canvas->DrawLineTo(x0 + 2 * n + 1 - k, a + (1 - k) * s);
  }
}

void TcxCustomLookAndFeelPainter::PaintCloseCross(TcxCanvas* canvas, const TRect& r, TColor color,
                                                  TcxButtonState glyphState) const {
  Integer m = FilterCloseButtonExtent().X / 2;
  if (m % 2 == 0) --m;
  SetPenColor(canvas, color);
  for (Integer d = 0; d < 2; ++d) {
    TPoint p((r.Left + r.Right - m) / 2 + d, (r.Top + r.Bottom - m) / 2);
    if (glyphState == cxbsPressed) p = OffsetPoint(p, 1, 1);
    Line(canvas, p.X, p.Y, p.X + m, p.Y + m);
    Line(canvas, p.X, p.Y + m - 1, p.X + m, p.Y - 1);
  }
}

void TcxCustomLookAndFeelPainter::PaintSortTriangle(TcxCanvas* canvas, const TRect& r, TColor darkColor,
                                                    TColor lightColor, bool ascending) const {
  TPoint ext = SortMarkExtent();
  Integer w = ext.X, h = ext.Y;
  Integer s = ascending ? 1 : -1;
  Integer cx = (r.Left + r.Right) / 2;
  if (w % 2 == 0) --cx;
  Integer y = ascending ? (r.Top + r.Bottom - h) / 2 : (r.Top + r.Bottom + h) / 2 - 1;
  Integer b = w / 2;
  Integer a = w % 2 == 0 ? b - 1 : b;
  SetPenColor(canvas, lightColor);
  canvas->MovePenTo(cx + b, y + (h - 2) * s);
  canvas->DrawLineTo(cx + b - a, y);
  canvas->DrawLineTo(cx + b, y + (h - 1) * s);
  if (!ascending) SetPenColor(canvas, darkColor);
  canvas->DrawLineTo(cx - a, y + (h - 1) * s);
  if (ascending) SetPenColor(canvas, darkColor);
  canvas->DrawLineTo(cx, y);
  canvas->DrawLineTo(cx - a, y + (h - (w & 1)) * s);
}

void TcxCustomLookAndFeelPainter::PaintMonthHeaderArrows(TcxCanvas* canvas, const TRect& r,
                                                         const TcxHeaderArrows& arrows, Integer arrowIndent,
                                                         TColor color) const {
  TRect rr = r;
  rr.Top += ControlBorderWidth();
  ++rr.Top;
  --rr.Bottom;
  auto arrow = [&](bool left) {
    Integer h = (rr.Bottom - rr.Top) / 2;
    if (h % 2 == 0) ++h;
    Integer x0 = left ? rr.Left : rr.Right;
    Integer s = left ? 1 : -1;
    TPoint p[3];
    p[0] = TPoint(x0 + s * (arrowIndent - 1), (rr.Top + rr.Bottom - h) / 2 - 1);
    p[1] = TPoint(p[0].X, p[0].Y + h + 1);
    p[2] = TPoint(p[0].X - s * (h / 2 + 1), p[0].Y + h / 2 + 1);
    DrawTriangle(canvas, p, color);
  };
  if (arrows.Contains(haLeft)) arrow(true);
  if (arrows.Contains(haRight)) arrow(false);
}

void TcxCustomLookAndFeelPainter::PaintIndicatorImage(TcxCanvas* canvas, const TRect& r, TcxIndicatorKind kind) {
  // Only the low 7 bits choose the glyph; a value whose low bits name no glyph draws nothing.
  Integer index = (kind & 127) - 1;
  TCustomImageList* images = cxIndicatorImages();
  if (kind == ikNone || images == nullptr || index < 0 || index >= images->Count()) return;
  canvas->DrawImageListItem(images, (r.Left + r.Right - images->Width()) / 2,
                            (r.Top + r.Bottom - images->Height()) / 2, index, true);
}

TcxArrowDirection TcxCustomLookAndFeelPainter::ScrollBarArrowDirection(bool horizontal, TcxScrollBarPart part) {
  if (horizontal) return part == sbpLineUp ? adLeft : adRight;
  return part == sbpLineUp ? adUp : adDown;
}
