// The standard (two-pixel 3-D bevels), flat (one-pixel bevels) and ultra-flat (single lines,
// highlight frames and blended faces) painters.
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeelPaintersInternal.h"

using namespace painters_detail;

namespace {

// The raised-inner header bevel with the corner pixels that merge it with its neighbours.
void BevelHeaderFrame(TcxCanvas* canvas, const TRect& r, const TcxNeighbors& neighbors) {
  canvas->DrawBevelEdge(r, false, false, cxBordersAll);
  if (neighbors.Contains(nLeft)) {
    canvas->PutPixel(r.Left, r.Top + 1, clBtnFace);
    canvas->PutPixel(r.Left, r.Bottom - 2, clBtnFace);
  }
  if (neighbors.Contains(nRight)) {
    canvas->PutPixel(r.Right - 1, r.Top, clBtnHighlight);
    canvas->PutPixel(r.Right - 1, r.Top + 1, clBtnFace);
    canvas->PutPixel(r.Right - 1, r.Bottom - 2, clBtnFace);
  }
}

// Sunken when pressed, raised otherwise; a button-face inside and the drop-down arrow.
void BevelFilterDropDownButton(const TcxCustomLookAndFeelPainter* painter, TcxCanvas* canvas, const TRect& r,
                               TcxButtonState state, bool isFilterActive) {
  if (state == cxbsPressed)
    canvas->DrawBevelEdge(r, true, true, cxBordersAll);
  else
    canvas->DrawBevelEdge(r, false, false, cxBordersAll);
  TRect rr = Deflated(r, 1);
  canvas->FillRectColor(rr, clBtnFace);
  painter->PaintButtonArrow(canvas, rr, isFilterActive ? 0xFF0000 : clBtnText);
}

// One strip of a tab's frame, trimmed so that the corners look bevelled.
void BevelTabFrame(TcxCanvas* canvas, const TRect& strip, TcxBorder side, const TcxBorders& borders,
                   bool vertical) {
  TRect r = strip;
  TColor color;
  if (vertical) {
    if (side == bLeft) {
      r.Top += borders.Contains(bTop) ? 2 : 1;
      r.Bottom -= borders.Contains(bBottom) ? 2 : 1;
      canvas->PutPixel(r.Left + 1, r.Top - 1, clBtnHighlight);
      canvas->PutPixel(r.Left + 1, r.Bottom, clBtnHighlight);
    } else if (side == bTop || side == bBottom) {
      if (borders.Contains(bLeft)) ++r.Left;
    }
    color = side == bBottom ? clBtnShadow : clBtnHighlight;
  } else {
    if (side == bLeft || side == bRight) {
      if (borders.Contains(bTop)) r.Top += 2;
      if (borders.Contains(bBottom)) --r.Bottom;
    } else if (side == bTop) {
      ++r.Left;
      --r.Right;
      canvas->PutPixel(r.Left - 1, r.Top + 1, clBtnHighlight);
      canvas->PutPixel(r.Right, r.Top + 1, clBtnHighlight);
    }
    color = side == bRight ? clBtnShadow : clBtnHighlight;
  }
  canvas->FillRectColor(r, color);
}

// The dithered page area of a scroll bar.
void PatternFill(TcxCanvas* canvas, const TRect& r, bool pressed) {
  TBitmap* pattern = pressed ? cxScrollBarPressedPattern() : cxScrollBarNormalPattern();
  if (pattern == nullptr) {
    canvas->FillRectColor(r, pressed ? cl3DDkShadow : clBtnHighlight);
    return;
  }
  canvas->CurrentBrush()->SetBitmap(pattern);
  canvas->Canvas()->FillRect(r);
  canvas->CurrentBrush()->SetBitmap(nullptr);
  canvas->CurrentBrush()->SetStyle(bsSolid);
}

// The splitter recipe shared by the flat and ultra-flat looks: two lines, the rest filled
// with the view's colour or bitmap.
void LinedSplitter(TcxCanvas* canvas, const TRect& r, const TcxStyleParams& viewParams, bool horizontal,
                   TColor first, TColor second) {
  TRect rr = r;
  if (horizontal) {
    canvas->FillRectColor(TRect(rr.Left, rr.Top, rr.Right, rr.Top + 1), first);
    canvas->FillRectColor(TRect(rr.Left, rr.Bottom - 1, rr.Right, rr.Bottom), second);
    rr = GrowRectSides(rr, 1, -1, 1, -1);
  } else {
    canvas->FillRectColor(TRect(rr.Left, rr.Top, rr.Left + 1, rr.Bottom), first);
    canvas->FillRectColor(TRect(rr.Right - 1, rr.Top, rr.Right, rr.Bottom), second);
    rr = GrowRectSides(rr, -1, 1, -1, 1);
  }
  canvas->FillFramedArea(rr, viewParams, TcxBorders{}, clDefault, 1, false);
}

}  // namespace

// ---- standard ------------------------------------------------------------------------------

const TcxStandardLookAndFeelPainter* TcxStandardLookAndFeelPainter::Class() {
  static const TcxStandardLookAndFeelPainter instance;
  return &instance;
}

void TcxStandardLookAndFeelPainter::PaintControlBorder(TcxCanvas* canvas, const TRect& r) const {
  Frame(canvas, r, clBtnShadow, clBtnHighlight);
  Frame(canvas, Deflated(r, 1), cl3DDkShadow, cl3DLight);
}

void TcxStandardLookAndFeelPainter::PaintButtonFrame(TcxCanvas* canvas, const TRect& r,
                                                     TcxButtonState state) const {
  TRect rr = r;
  if (state == cxbsPressed) {
    FrameIn(canvas, rr, 0x000000);
    Frame(canvas, Deflated(rr, 1), clBtnShadow, clBtnShadow);
    return;
  }
  if (state == cxbsDefault) {
    FrameIn(canvas, rr, 0x000000);
    rr = Deflated(rr, 1);
  }
  Frame(canvas, rr, clBtnHighlight, cl3DDkShadow);
  Frame(canvas, Deflated(rr, 1), cl3DLight, clBtnShadow);
}

void TcxStandardLookAndFeelPainter::PaintExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded,
                                                      TColor color) const {
  TRect rr = r;
  canvas->DrawBevelEdge(rr, false, false, TcxBorders{bLeft, bTop});
  canvas->DrawBevelEdge(rr, false, true, TcxBorders{bRight, bBottom});
  rr = Deflated(rr, 1);
  canvas->DrawBevelEdge(rr, false, false, TcxBorders{bRight, bBottom});
  --rr.Right;
  --rr.Bottom;
  canvas->FillRectColor(rr, color == clDefault ? clBtnFace : color);
  PaintExpandCross(canvas, rr, expanded, clBtnText);
  canvas->ExcludeFromClip(r);
}

void TcxStandardLookAndFeelPainter::PaintGroupExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded,
                                                           TcxButtonState state) const {
  // A standard group row shows the flat one-pixel button.
  TcxFlatLookAndFeelPainter::Class()->TcxCustomLookAndFeelPainter::PaintGroupExpandButton(canvas, r, expanded,
                                                                                          state);
}

void TcxStandardLookAndFeelPainter::PaintCheckFrame(TcxCanvas* canvas, const TRect& r, TcxButtonState) const {
  canvas->DrawBevelEdge(r, true, false, cxBordersAll);
  canvas->DrawBevelEdge(Deflated(r, 1), true, true, cxBordersAll);
}

void TcxStandardLookAndFeelPainter::PaintHeaderFrame(TcxCanvas* canvas, const TRect& r,
                                                     const TcxNeighbors& neighbors, const TcxBorders&) const {
  BevelHeaderFrame(canvas, r, neighbors);
}

void TcxStandardLookAndFeelPainter::PaintHeaderSectionFrame(TcxCanvas* canvas, const TRect& r,
                                                            const TcxBorders& borders,
                                                            TcxButtonState state) const {
  if (state == cxbsPressed) {
    Frame(canvas, r, clBtnShadow, clBtnShadow, borders);
  } else {
    Frame(canvas, r, clBtnHighlight, cl3DDkShadow, borders);
    Frame(canvas, Deflated(r, 1), cl3DLight, clBtnShadow, borders);
  }
}

void TcxStandardLookAndFeelPainter::PaintSortMark(TcxCanvas* canvas, const TRect& r, bool ascending) const {
  PaintSortTriangle(canvas, r, clBtnShadow, clBtnHighlight, ascending);
}

void TcxStandardLookAndFeelPainter::PaintFooterFrame(TcxCanvas* canvas, const TRect& r) const {
  canvas->DrawBevelEdge(r, false, false, cxBordersAll);
}

void TcxStandardLookAndFeelPainter::PaintFooterCellFrame(TcxCanvas* canvas, const TRect& r) const {
  canvas->DrawBevelEdge(r, true, true, cxBordersAll);
}

void TcxStandardLookAndFeelPainter::PaintFilterDropDownButton(TcxCanvas* canvas, const TRect& r,
                                                              TcxButtonState state, bool isFilterActive) const {
  BevelFilterDropDownButton(this, canvas, r, state, isFilterActive);
}

void TcxStandardLookAndFeelPainter::PaintTabFrame(TcxCanvas* canvas, const TRect& r, TcxBorder side,
                                                  const TcxBorders& borders, bool vertical) const {
  BevelTabFrame(canvas, r, side, borders, vertical);
}

void TcxStandardLookAndFeelPainter::PaintTabPane(TcxCanvas* canvas, const TRect& r, const TcxBorders& borders,
                                                 bool) const {
  canvas->DrawBevelEdge(r, false, false, borders);
}

void TcxStandardLookAndFeelPainter::PaintClassicScrollBarPart(const TcxCustomLookAndFeelPainter* painter,
                                                              TcxCanvas* canvas, bool horizontal, const TRect& r,
                                                              TcxScrollBarPart part, TcxButtonState state) {
  if (r.IsEmpty() || (part == sbpThumb && state == cxbsDisabled)) return;
  if (state == cxbsHot) state = cxbsNormal;
  bool pressed = state == cxbsPressed;
  auto buttonBorder = [&]() {
    if (pressed && part != sbpThumb) {
      Frame(canvas, r, clBtnShadow, clBtnShadow);
      Frame(canvas, Deflated(r, 1), clBtnFace, clBtnFace);
    } else {
      Frame(canvas, r, clBtnFace, cl3DDkShadow);
      Frame(canvas, Deflated(r, 1), clBtnHighlight, clBtnShadow);
    }
  };
  switch (part) {
    case sbpLineUp:
    case sbpLineDown: {
      static const UINT kinds[2][2] = {{DFCS_SCROLLUP, DFCS_SCROLLDOWN}, {DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT}};
      UINT flags = kinds[horizontal ? 1 : 0][part == sbpLineUp ? 0 : 1];
      if (state == cxbsDisabled) flags |= DFCS_INACTIVE;
      else if (pressed) flags |= DFCS_FLAT;
      TRect rr = pressed ? ShiftedRect(r, 1, 1) : r;
      DrawFrameControl(canvas->DeviceContext(), &rr, DFC_SCROLL, flags);
      buttonBorder();
      break;
    }
    case sbpThumb:
      buttonBorder();
      canvas->FillRectColor(Deflated(r, painter->ButtonFrameWidth(cxbsNormal)), clBtnFace);
      break;
    case sbpPageUp:
    case sbpPageDown:
      PatternFill(canvas, r, pressed);
      break;
    default:
      break;
  }
}

void TcxStandardLookAndFeelPainter::PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const TRect& r,
                                                       TcxScrollBarPart part, TcxButtonState state) const {
  PaintClassicScrollBarPart(this, canvas, horizontal, r, part, state);
}

void TcxStandardLookAndFeelPainter::PaintMonthHeader(TcxCanvas* canvas, const TRect& r, const String& text,
                                                     const TcxNeighbors& neighbors,
                                                     const TcxStyleParams& viewParams,
                                                     const TcxHeaderArrows& arrows, Integer arrowIndent,
                                                     const TcxDrawBackgroundEvent& onDrawBackground) const {
  TcxBorders b = cxBordersAll;
  if (neighbors.Contains(nRight)) b -= bRight;
  if (neighbors.Contains(nLeft)) b -= bLeft;
  canvas->DrawFrameSides(r, 0x000000, 1, b, false);
  TRect content = HeaderTextBounds(r, b);
  PaintHeader(canvas, content, content, neighbors, cxBordersAll, cxbsNormal, taCenter, vaCenter, false, false, text,
              viewParams.Font, viewParams.TextColor, viewParams.Color, onDrawBackground, false);
  PaintMonthHeaderArrows(canvas, r, arrows, arrowIndent, clWindowText);
}

void TcxStandardLookAndFeelPainter::PaintSplitterFrame(TcxCanvas* canvas, const TRect& r,
                                                       const TcxStyleParams& viewParams, bool horizontal) const {
  TRect rr = r;
  auto lines = [&](TColor first, TColor second) {
    if (horizontal) {
      canvas->FillRectColor(TRect(rr.Left, rr.Top, rr.Right, rr.Top + 1), first);
      canvas->FillRectColor(TRect(rr.Left, rr.Bottom - 1, rr.Right, rr.Bottom), second);
      rr = GrowRectSides(rr, 1, -1, 1, -1);
    } else {
      canvas->FillRectColor(TRect(rr.Left, rr.Top, rr.Left + 1, rr.Bottom), first);
      canvas->FillRectColor(TRect(rr.Right - 1, rr.Top, rr.Right, rr.Bottom), second);
      rr = GrowRectSides(rr, -1, 1, -1, 1);
    }
  };
  lines(clBtnFace, cl3DDkShadow);
  lines(clBtnHighlight, clBtnShadow);
  canvas->FillFramedArea(rr, viewParams, TcxBorders{}, clDefault, 1, false);
}

// ---- flat ----------------------------------------------------------------------------------

const TcxFlatLookAndFeelPainter* TcxFlatLookAndFeelPainter::Class() {
  static const TcxFlatLookAndFeelPainter instance;
  return &instance;
}

void TcxFlatLookAndFeelPainter::PaintControlBorder(TcxCanvas* canvas, const TRect& r) const {
  canvas->DrawBevelEdge(r, true, true, cxBordersAll);
}

void TcxFlatLookAndFeelPainter::PaintButtonFrame(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const {
  if (state == cxbsPressed) {
    Frame(canvas, r, clBtnShadow, clBtnHighlight);
    return;
  }
  TRect rr = r;
  if (state == cxbsDefault) {
    FrameIn(canvas, rr, 0x000000);
    rr = Deflated(rr, 1);
  }
  Frame(canvas, rr, clBtnHighlight, clBtnShadow);
}

void TcxFlatLookAndFeelPainter::PaintExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded,
                                                  TColor color) const {
  PaintButton(canvas, r, "", cxbsNormal, true, color, clDefault);
  PaintExpandCross(canvas, Deflated(r, 1), expanded, clBtnText);
  canvas->ExcludeFromClip(r);
}

void TcxFlatLookAndFeelPainter::PaintCheckFrame(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const {
  canvas->DrawBevelEdge(r, true, true, cxBordersAll);
  FrameIn(canvas, Deflated(r, 1), CheckFaceColor(state));
}

void TcxFlatLookAndFeelPainter::PaintHeaderFrame(TcxCanvas* canvas, const TRect& r, const TcxNeighbors& neighbors,
                                                 const TcxBorders&) const {
  BevelHeaderFrame(canvas, r, neighbors);
}

void TcxFlatLookAndFeelPainter::PaintHeaderSectionFrame(TcxCanvas* canvas, const TRect& r,
                                                        const TcxBorders& borders, TcxButtonState state) const {
  if (state == cxbsPressed)
    Frame(canvas, r, clBtnShadow, clBtnHighlight, borders);
  else
    Frame(canvas, r, clBtnHighlight, clBtnShadow, borders);
}

void TcxFlatLookAndFeelPainter::PaintSortMark(TcxCanvas* canvas, const TRect& r, bool ascending) const {
  PaintSortTriangle(canvas, r, clBtnShadow, clBtnHighlight, ascending);
}

void TcxFlatLookAndFeelPainter::PaintFooterFrame(TcxCanvas* canvas, const TRect& r) const {
  canvas->DrawBevelEdge(r, false, false, cxBordersAll);
}

void TcxFlatLookAndFeelPainter::PaintFooterCellFrame(TcxCanvas* canvas, const TRect& r) const {
  canvas->DrawBevelEdge(r, true, true, cxBordersAll);
}

void TcxFlatLookAndFeelPainter::PaintFilterDropDownButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                                          bool isFilterActive) const {
  BevelFilterDropDownButton(this, canvas, r, state, isFilterActive);
}

void TcxFlatLookAndFeelPainter::PaintTabFrame(TcxCanvas* canvas, const TRect& r, TcxBorder side,
                                              const TcxBorders& borders, bool vertical) const {
  BevelTabFrame(canvas, r, side, borders, vertical);
}

void TcxFlatLookAndFeelPainter::PaintTabPane(TcxCanvas* canvas, const TRect& r, const TcxBorders& borders,
                                             bool) const {
  canvas->DrawBevelEdge(r, false, false, borders);
}

void TcxFlatLookAndFeelPainter::PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const TRect& r,
                                                   TcxScrollBarPart part, TcxButtonState state) const {
  if (r.IsEmpty() || (part == sbpThumb && state == cxbsDisabled)) return;
  if (state == cxbsHot) state = cxbsNormal;
  switch (part) {
    case sbpLineUp:
    case sbpLineDown:
    case sbpThumb:
      PaintButton(canvas, r, "", state, true, clDefault, clDefault);
      if (part != sbpThumb)
        PaintStateArrow(canvas, Deflated(r, ButtonFrameWidth(cxbsNormal)), state,
                        ScrollBarArrowDirection(horizontal, part));
      break;
    case sbpPageUp:
    case sbpPageDown:
      PatternFill(canvas, r, state == cxbsPressed);
      break;
    default:
      break;
  }
}

void TcxFlatLookAndFeelPainter::PaintSplitterFrame(TcxCanvas* canvas, const TRect& r,
                                                   const TcxStyleParams& viewParams, bool horizontal) const {
  LinedSplitter(canvas, r, viewParams, horizontal, clBtnHighlight, clBtnShadow);
}

// ---- ultra flat ----------------------------------------------------------------------------

const TcxUltraFlatLookAndFeelPainter* TcxUltraFlatLookAndFeelPainter::Class() {
  static const TcxUltraFlatLookAndFeelPainter instance;
  return &instance;
}

void TcxUltraFlatLookAndFeelPainter::PaintControlBorder(TcxCanvas* canvas, const TRect& r) const {
  FrameIn(canvas, r, clBtnShadow);
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonFaceColor(TcxButtonState state) const {
  switch (state) {
    case cxbsHot: return HotTrackBlendColor();
    case cxbsPressed: return PressedBlendColor();
    default: return clBtnFace;
  }
}

TRect TcxUltraFlatLookAndFeelPainter::ButtonFocusBounds(TcxCanvas*, const TRect& r) const {
  TRect d = Deflated(r, 3);
  return d.IsEmpty() ? r : d;
}

TRect TcxUltraFlatLookAndFeelPainter::ButtonGroupFrameWidths(Integer count, Integer index) const {
  TRect w(1, 2, 1, 2);
  if (index == 0)
    w.Left = 2;
  else if (index == count - 1)
    w.Right = 2;
  return w;
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonGlyphColor(TcxButtonState state, TColor defaultColor) const {
  if (state == cxbsPressed) return clHighlightText;
  return TcxCustomLookAndFeelPainter::ButtonGlyphColor(state, defaultColor);
}

void TcxUltraFlatLookAndFeelPainter::PaintBlankButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                                      Integer count, Integer index, TColor color) const {
  TRect rr(r.Left, r.Top + 1, r.Right, r.Bottom - 1);
  if (index == 0) ++rr.Left;
  if (index == count - 1) --rr.Right;
  if (state == cxbsNormal || state == cxbsDisabled) {
    FrameIn(canvas, rr, color);
    rr = Deflated(rr, 1);
  } else {
    TColor c = HotFrameColor();
    if (index > 0) {
      canvas->FillRectColor(TRect(rr.Left, rr.Top, rr.Left + 1, rr.Bottom), c);
      ++rr.Left;
    }
    if (index < count - 1) {
      canvas->FillRectColor(TRect(rr.Right - 1, rr.Top, rr.Right, rr.Bottom), c);
      --rr.Right;
    }
  }
  canvas->FillRectColor(rr, ButtonFaceColor(state));
}

void TcxUltraFlatLookAndFeelPainter::PaintButtonFrame(TcxCanvas* canvas, const TRect& r,
                                                      TcxButtonState state) const {
  switch (state) {
    case cxbsDefault:
      FrameIn(canvas, r, clWindowFrame);
      FrameIn(canvas, Deflated(r, 1), clWindowFrame);
      break;
    case cxbsNormal: FrameIn(canvas, r, clBtnText); break;
    case cxbsDisabled: FrameIn(canvas, r, clBtnShadow); break;
    default: FrameIn(canvas, r, clHighlight); break;
  }
}

void TcxUltraFlatLookAndFeelPainter::PaintNavigatorBorder(TcxCanvas* canvas, const TRect& r, bool focused,
                                                          bool hot) const {
  FrameIn(canvas, r, focused ? clBtnText : hot ? HotFrameColor() : clBtnShadow);
}

void TcxUltraFlatLookAndFeelPainter::PaintExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded,
                                                       TColor color) const {
  FrameIn(canvas, r, clBtnShadow);
  TRect rr = Deflated(r, 1);
  canvas->FillRectColor(rr, color == clDefault ? clBtnFace : color);
  PaintExpandCross(canvas, rr, expanded, clBtnText);
  canvas->ExcludeFromClip(r);
}

void TcxUltraFlatLookAndFeelPainter::PaintCheckFrame(TcxCanvas* canvas, const TRect& r,
                                                     TcxButtonState state) const {
  FrameIn(canvas, r, clBtnText);
  FrameIn(canvas, Deflated(r, 1), CheckFaceColor(state));
}

void TcxUltraFlatLookAndFeelPainter::PaintItemHeader(TcxCanvas* canvas, const TRect& bounds,
                                                     const TRect& textAreaBounds, const TcxNeighbors& neighbors,
                                                     const TcxBorders& borders, TcxButtonState state,
                                                     TAlignment alignHorz, TcxAlignmentVert alignVert,
                                                     bool multiLine, bool showEndEllipsis, const String& text,
                                                     TFont* font, TColor textColor, TColor bkColor,
                                                     const TcxDrawBackgroundEvent& onDrawBackground) const {
  PaintCellContent(canvas, bounds, Deflated(textAreaBounds, 1), state, alignHorz, alignVert, multiLine,
                   showEndEllipsis, text, font, textColor, bkColor, onDrawBackground, false);
  PaintHeaderFrame(canvas, Deflated(bounds, 1), neighbors, borders);
}

void TcxUltraFlatLookAndFeelPainter::PaintHeaderFrame(TcxCanvas* canvas, const TRect& r, const TcxNeighbors&,
                                                      const TcxBorders& borders) const {
  if (borders.Contains(bLeft)) canvas->FillRectColor(TRect(r.Left, r.Top, r.Left + 1, r.Bottom), clBtnText);
  if (borders.Contains(bTop)) canvas->FillRectColor(TRect(r.Left, r.Top, r.Right, r.Top + 1), clBtnText);
  canvas->FillRectColor(TRect(r.Right - 1, r.Top, r.Right, r.Bottom), clBtnText);
  canvas->FillRectColor(TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), clBtnText);
}

void TcxUltraFlatLookAndFeelPainter::PaintHeaderSectionFrame(TcxCanvas* canvas, const TRect& r,
                                                             const TcxBorders& borders,
                                                             TcxButtonState state) const {
  TColor c = state == cxbsDisabled ? clBtnShadow : 0x000000;
  Frame(canvas, r, c, c, borders);
}

void TcxUltraFlatLookAndFeelPainter::PaintHeaderSectionContent(TcxCanvas* canvas, const TRect& bounds,
                                                               const TRect& textAreaBounds, TcxButtonState state,
                                                               TAlignment alignHorz, TcxAlignmentVert alignVert,
                                                               bool multiLine, bool showEndEllipsis,
                                                               const String& text, TFont* font, TColor textColor,
                                                               TColor bkColor) const {
  canvas->FillRectColor(bounds, state == cxbsDefault || state == cxbsNormal ? bkColor : ButtonFaceColor(state));
  PaintHeaderSectionText(canvas, textAreaBounds, state, alignHorz, alignVert, multiLine, showEndEllipsis, text, font,
                         textColor);
}

void TcxUltraFlatLookAndFeelPainter::PaintSortMark(TcxCanvas* canvas, const TRect& r, bool ascending) const {
  PaintSortTriangle(canvas, r, clBtnShadow, clBtnShadow, ascending);
}

TcxBorders TcxUltraFlatLookAndFeelPainter::HeaderFrameSides(const TcxNeighbors& neighbors) const {
  TcxBorders b = cxBordersAll;
  if (neighbors.Contains(nLeft)) b -= bLeft;
  if (neighbors.Contains(nTop)) b -= bTop;
  return b;
}

void TcxUltraFlatLookAndFeelPainter::PaintFooterFrame(TcxCanvas* canvas, const TRect& r) const {
  TColor c = FooterSeparatorColor();
  canvas->FillRectColor(TRect(r.Right - 1, r.Top, r.Right, r.Bottom), c);
  canvas->FillRectColor(TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), c);
}

void TcxUltraFlatLookAndFeelPainter::PaintFooterCellFrame(TcxCanvas* canvas, const TRect& r) const {
  FrameIn(canvas, r, FooterSeparatorColor());
}

void TcxUltraFlatLookAndFeelPainter::PaintFilterDropDownButton(TcxCanvas* canvas, const TRect& r,
                                                               TcxButtonState state, bool isFilterActive) const {
  FrameIn(canvas, r, ButtonBorderColor(state));
  TRect rr = Deflated(r, 1);
  canvas->FillRectColor(rr, ButtonFaceColor(state));
  PaintButtonArrow(canvas, rr, isFilterActive ? 0xFF0000 : ButtonGlyphColor(state, clDefault));
}

void TcxUltraFlatLookAndFeelPainter::PaintTabFrame(TcxCanvas* canvas, const TRect& r, TcxBorder side,
                                                   const TcxBorders&, bool vertical) const {
  TcxBorder dark = vertical ? bBottom : bRight;
  TRect rr = r;
  if (side == dark && !vertical) rr.Bottom -= TabFrameWidth(vertical);
  canvas->FillRectColor(rr, side == dark ? TabDarkBorderColor() : TabBorderColor());
}

void TcxUltraFlatLookAndFeelPainter::PaintTabPane(TcxCanvas* canvas, const TRect& r, const TcxBorders& borders,
                                                  bool vertical) const {
  canvas->DrawTwoColorFrame(r, TabBorderColor(), TabBorderColor(), borders, TabFrameWidth(vertical));
}

void TcxUltraFlatLookAndFeelPainter::PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const TRect& r,
                                                        TcxScrollBarPart part, TcxButtonState state) const {
  if (r.IsEmpty() || (part == sbpThumb && state == cxbsDisabled)) return;
  switch (part) {
    case sbpLineUp:
    case sbpLineDown:
    case sbpThumb:
      PaintButton(canvas, r, "", state, true, clDefault, clDefault);
      if (part != sbpThumb) PaintStateArrow(canvas, r, state, ScrollBarArrowDirection(horizontal, part));
      break;
    case sbpPageUp:
    case sbpPageDown:
      PatternFill(canvas, r, state == cxbsPressed);
      break;
    default:
      break;
  }
}

void TcxUltraFlatLookAndFeelPainter::PaintNavigatorButton(TcxCanvas* canvas, const TRect& r,
                                                          TcxButtonState state) const {
  PaintButton(canvas, r, "", state, state == cxbsHot || state == cxbsPressed, clDefault, clDefault);
}

void TcxUltraFlatLookAndFeelPainter::PaintSplitterFrame(TcxCanvas* canvas, const TRect& r,
                                                        const TcxStyleParams& viewParams, bool horizontal) const {
  LinedSplitter(canvas, r, viewParams, horizontal, BorderColor(), BorderColor());
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonBorderColor(TcxButtonState state) const {
  return state == cxbsNormal ? clBtnShadow : clHighlight;
}
