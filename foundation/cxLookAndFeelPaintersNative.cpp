// The native-style painter: theme parts in the state matching the button state, metrics and
// colours from the theme. Every themed operation checks its theme class on each call and
// falls back to the standard look when the class is not available.
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeelPaintersInternal.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxThemeConsts.h"

using namespace painters_detail;

namespace {

HTHEME Theme(TdxThemeClass c) { return OpenThemeCached(c); }

// State tables indexed by TcxButtonState (default, normal, hot, pressed, disabled).
constexpr Integer kHeaderStates[5] = {1, 1, 2, 3, 1};
constexpr Integer kCheckStates[2][5] = {{1, 1, 2, 3, 4}, {5, 5, 6, 7, 8}};
constexpr Integer kPlainStates[5] = {1, 1, 2, 3, 4};  // close, drop-down and tab item
constexpr Integer kToolBarStates[5] = {2, 2, 5, 3, 4};
// The default state has no group expand state of its own; it is drawn as the normal one.
constexpr Integer kGroupExpandStates[5] = {1, 1, 2, 3, 1};

Integer StateIndex(TcxButtonState s) { return s >= cxbsDefault && s <= cxbsDisabled ? Integer(s) : 1; }

bool ContentRect(HTHEME theme, HDC dc, Integer part, Integer state, const TRect& bounds, TRect& content) {
  return SUCCEEDED(UxGetThemeBackgroundContentRect(theme, dc, part, state, bounds, content));
}

TSize TrueSize(HTHEME theme, Integer part, Integer state) {
  TSize s(0, 0);
  UxGetThemePartSizeNoRect(theme, nullptr, part, state, TS_TRUE, s);
  return s;
}

void DrawPart(TcxCanvas* canvas, HTHEME theme, Integer part, Integer state, const TRect& r) {
  UxDrawThemeBackgroundAlt(theme, canvas->DeviceContext(), part, state, r, nullptr);
}

// Makes sure the canvas font and its colour are selected into the device context before a
// theme call draws text with it.
void SelectCanvasFont(TcxCanvas* canvas) { canvas->Canvas()->TextExtent(String()); }

}  // namespace

const TcxWinXPLookAndFeelPainter* TcxWinXPLookAndFeelPainter::Class() {
  static const TcxWinXPLookAndFeelPainter instance;
  return &instance;
}

Integer TcxWinXPLookAndFeelPainter::ButtonStateId(TcxButtonState state) {
  static constexpr Integer ids[5] = {5, 1, 2, 3, 4};
  return ids[StateIndex(state)];
}

Integer TcxWinXPLookAndFeelPainter::ArrowButtonStateId(TcxArrowDirection direction, TcxButtonState state) {
  static constexpr Integer offsets[5] = {1, 1, 2, 3, 4};
  return 4 * Integer(direction) + offsets[StateIndex(state)];
}

TColor TcxWinXPLookAndFeelPainter::BorderColor() const {
  COLORREF c = 0;
  HTHEME t = Theme(tcComboBox);
  if (t != 0 && SUCCEEDED(UxGetThemeColor(t, 1, 1, TMT_BORDERCOLOR, c))) return TColor(c);
  return clBtnShadow;
}

void TcxWinXPLookAndFeelPainter::PaintArrow(TcxCanvas* canvas, const TRect& r, TcxArrowDirection direction,
                                            TColor color) const {
  TcxCustomLookAndFeelPainter::PaintArrow(canvas, r, direction, color);
}

void TcxWinXPLookAndFeelPainter::PaintArrowButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                                  TcxArrowDirection direction, bool drawFrame) const {
  HTHEME t = Theme(tcScrollBar);
  if (t == 0) return TcxCustomLookAndFeelPainter::PaintArrowButton(canvas, r, state, direction, drawFrame);
  DrawPart(canvas, t, SBP_ARROWBTN, ArrowButtonStateId(direction, state), r);
}

void TcxWinXPLookAndFeelPainter::PaintArrowButtonFrame(TcxCanvas* canvas, const TRect& r,
                                                       TcxButtonState state) const {
  HTHEME t = Theme(tcButton);
  if (t == 0) return TcxCustomLookAndFeelPainter::PaintArrowButtonFrame(canvas, r, state);
  DrawPart(canvas, t, BP_PUSHBUTTON, ButtonStateId(state), r);
}

Integer TcxWinXPLookAndFeelPainter::ControlBorderWidth() const { return Theme(tcListView) != 0 ? 1 : 2; }

void TcxWinXPLookAndFeelPainter::PaintControlBorder(TcxCanvas* canvas, const TRect& r) const {
  HTHEME t = Theme(tcListView);
  if (t == 0) return TcxStandardLookAndFeelPainter::PaintControlBorder(canvas, r);
  // Only the outer one-pixel ring of the list view's frame shows.
  canvas->PushDeviceState();
  canvas->ExcludeFromClip(Deflated(r, 1));
  DrawPart(canvas, t, 5, 0, r);
  canvas->PopDeviceState();
}

TRect TcxWinXPLookAndFeelPainter::AdjustGroupedButtonRect(const TRect& r, Integer count, Integer index) const {
  TRect result = TcxCustomLookAndFeelPainter::AdjustGroupedButtonRect(r, count, index);
  HTHEME t = Theme(tcButton);
  if (t != 0 && UxIsThemeBackgroundPartiallyTransparent(t, BP_PUSHBUTTON, 1)) result = GrowRect(result, 1, 1);
  return result;
}

Integer TcxWinXPLookAndFeelPainter::ButtonFrameWidth(TcxButtonState state) const {
  HTHEME t = Theme(tcButton);
  TRect c;
  if (t != 0 && ContentRect(t, nullptr, BP_PUSHBUTTON, ButtonStateId(state), TRect(0, 0, 100, 100), c)) return c.Left;
  return TcxStandardLookAndFeelPainter::ButtonFrameWidth(cxbsNormal);
}

TColor TcxWinXPLookAndFeelPainter::ButtonFaceColor(TcxButtonState state) const {
  HTHEME t = Theme(tcButton);
  COLORREF c = 0;
  if (t != 0 && SUCCEEDED(UxGetThemeColor(t, BP_PUSHBUTTON, ButtonStateId(state), 204, c))) return TColor(c);
  return TcxCustomLookAndFeelPainter::ButtonFaceColor(state);
}

TRect TcxWinXPLookAndFeelPainter::ButtonFocusBounds(TcxCanvas* canvas, const TRect& r) const {
  HTHEME t = Theme(tcButton);
  TRect c;
  if (t != 0 && ContentRect(t, canvas != nullptr ? canvas->DeviceContext() : nullptr, BP_PUSHBUTTON, 1, r, c)) return c;
  return TcxCustomLookAndFeelPainter::ButtonFocusBounds(canvas, r);
}

TRect TcxWinXPLookAndFeelPainter::ButtonGroupFrameWidths(Integer count, Integer index) const {
  HTHEME t = Theme(tcButton);
  TRect c;
  if (t == 0 || !ContentRect(t, nullptr, BP_PUSHBUTTON, 1, TRect(0, 0, 100, 100), c))
    return TcxCustomLookAndFeelPainter::ButtonGroupFrameWidths(count, index);
  TRect w(c.Left, c.Top, 100 - c.Right, 100 - c.Bottom);
  if (UxIsThemeBackgroundPartiallyTransparent(t, BP_PUSHBUTTON, 1)) w = TRect(w.Left - 1, w.Top - 1, w.Right - 1, w.Bottom - 1);
  return w;
}

TColor TcxWinXPLookAndFeelPainter::ButtonGlyphColor(TcxButtonState state, TColor defaultColor) const {
  HTHEME t = Theme(tcButton);
  COLORREF c = 0;
  if (t != 0 && SUCCEEDED(UxGetThemeColor(t, BP_PUSHBUTTON, ButtonStateId(state), TMT_TEXTCOLOR, c)))
    return TColor(c);
  return TcxCustomLookAndFeelPainter::ButtonGlyphColor(state, defaultColor);
}

void TcxWinXPLookAndFeelPainter::PaintButton(TcxCanvas* canvas, const TRect& r, const String& caption,
                                             TcxButtonState state, bool drawFrame, TColor color,
                                             TColor textColor) const {
  HTHEME t = Theme(tcButton);
  if (t == 0)
    return TcxCustomLookAndFeelPainter::PaintButton(canvas, r, caption, state, drawFrame, color, textColor);
  HDC dc = canvas->DeviceContext();
  UxDrawThemeBackgroundAlt(t, dc, BP_PUSHBUTTON, ButtonStateId(state), r, nullptr);
  SelectCanvasFont(canvas);
  UxDrawThemeTextAnsi(t, dc, BP_PUSHBUTTON, ButtonStateId(state), caption, Integer(caption.size()),
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, r);
}

void TcxWinXPLookAndFeelPainter::PaintExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded,
                                                   TColor color) const {
  HTHEME t = Theme(tcTreeView);
  if (t == 0) return TcxStandardLookAndFeelPainter::PaintExpandButton(canvas, r, expanded, color);
  DrawPart(canvas, t, TVP_GLYPH, expanded ? GLPS_OPENED : GLPS_CLOSED, r);
  canvas->ExcludeFromClip(r);
}

void TcxWinXPLookAndFeelPainter::PaintGroupExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded,
                                                        TcxButtonState state) const {
  HTHEME t = Theme(tcExplorerBar);
  if (t == 0) return TcxStandardLookAndFeelPainter::PaintGroupExpandButton(canvas, r, expanded, state);
  DrawPart(canvas, t, expanded ? EBP_NORMALGROUPCOLLAPSE : EBP_NORMALGROUPEXPAND,
           kGroupExpandStates[StateIndex(state)], r);
}

void TcxWinXPLookAndFeelPainter::PaintSmallExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded,
                                                        TColor borderColor, TColor color) const {
  if (Theme(tcTreeView) != 0) return PaintExpandButton(canvas, r, expanded, clDefault);
  // Without the theme: the base small button, frame in the border colour, inside in color.
  TcxCustomLookAndFeelPainter::PaintSmallExpandButton(canvas, r, expanded, borderColor, color);
}

Integer TcxWinXPLookAndFeelPainter::ExpandButtonExtent() const {
  HTHEME t = Theme(tcTreeView);
  if (t == 0) return TcxStandardLookAndFeelPainter::ExpandButtonExtent();
  return TrueSize(t, TVP_GLYPH, GLPS_OPENED).cx;
}

Integer TcxWinXPLookAndFeelPainter::GroupExpandButtonExtent() const {
  HTHEME t = Theme(tcExplorerBar);
  if (t == 0) return TcxCustomLookAndFeelPainter::GroupExpandButtonExtent();
  return TrueSize(t, EBP_NORMALGROUPEXPAND, 1).cx;
}

bool TcxWinXPLookAndFeelPainter::HitTestGroupExpandButton(const TRect& r, const TPoint& p) const {
  HTHEME t = Theme(tcExplorerBar);
  HRGN region = nullptr;
  if (t == 0 || FAILED(UxGetThemeBackgroundRegion(t, nullptr, EBP_NORMALGROUPEXPAND, 1, r, region)) ||
      region == nullptr)
    return TcxCustomLookAndFeelPainter::HitTestGroupExpandButton(r, p);
  bool inside = PtInRegion(region, p.X, p.Y) != FALSE;
  DeleteObject(region);
  return inside;
}

Integer TcxWinXPLookAndFeelPainter::SmallExpandButtonExtent() const {
  if (Theme(tcTreeView) == 0) return TcxCustomLookAndFeelPainter::SmallExpandButtonExtent();
  return ExpandButtonExtent();
}

Integer TcxWinXPLookAndFeelPainter::CheckFrameWidth() const {
  return Theme(tcButton) != 0 ? 0 : TcxCustomLookAndFeelPainter::CheckFrameWidth();
}

TSize TcxWinXPLookAndFeelPainter::CheckBoxExtent() const {
  HTHEME t = Theme(tcButton);
  if (t == 0) return TcxCustomLookAndFeelPainter::CheckBoxExtent();
  return TrueSize(t, BP_CHECKBOX, CBS_CHECKEDNORMAL);
}

void TcxWinXPLookAndFeelPainter::PaintCheckMark(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                                bool checked, TColor color) const {
  HTHEME t = Theme(tcButton);
  if (t == 0) return TcxCustomLookAndFeelPainter::PaintCheckMark(canvas, r, state, checked, color);
  DrawPart(canvas, t, BP_CHECKBOX, kCheckStates[checked ? 1 : 0][StateIndex(state)], r);
}

void TcxWinXPLookAndFeelPainter::PaintCheckFrame(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const {
  if (Theme(tcButton) == 0) TcxStandardLookAndFeelPainter::PaintCheckFrame(canvas, r, state);
}

void TcxWinXPLookAndFeelPainter::PaintRadioButton(TcxCanvas* canvas, Integer x, Integer y, TcxButtonState state,
                                                  bool checked, bool focused, TColor bkColor,
                                                  bool isDesigning) const {
  HTHEME t = Theme(tcButton);
  // Without the theme the shared images keep the radio button visible.
  if (t == 0)
    return TcxCustomLookAndFeelPainter::PaintRadioButton(canvas, x, y, state, checked, focused, bkColor,
                                                         isDesigning);
  TSize s = RadioButtonExtent();
  DrawPart(canvas, t, BP_RADIOBUTTON, kCheckStates[checked ? 1 : 0][StateIndex(state)], Bounds(x, y, s.cx, s.cy));
}

TSize TcxWinXPLookAndFeelPainter::RadioButtonExtent() const {
  HTHEME t = Theme(tcButton);
  if (t == 0) return TcxCustomLookAndFeelPainter::RadioButtonExtent();
  return TrueSize(t, BP_RADIOBUTTON, 1);
}

void TcxWinXPLookAndFeelPainter::PaintHeader(TcxCanvas* canvas, const TRect& bounds, const TRect& textAreaBounds,
                                             const TcxNeighbors& neighbors, const TcxBorders& borders,
                                             TcxButtonState state, TAlignment alignHorz, TcxAlignmentVert alignVert,
                                             bool multiLine, bool showEndEllipsis, const String& text, TFont* font,
                                             TColor textColor, TColor bkColor,
                                             const TcxDrawBackgroundEvent& onDrawBackground, bool isLast) const {
  HTHEME t = Theme(tcHeader);
  if (t == 0)
    return TcxCustomLookAndFeelPainter::PaintHeader(canvas, bounds, textAreaBounds, neighbors, borders, state,
                                                    alignHorz, alignVert, multiLine, showEndEllipsis, text, font,
                                                    textColor, bkColor, onDrawBackground, isLast);
  Integer stateId = kHeaderStates[StateIndex(state)];
  Byte scheme = Office11SchemeIndex();
  Integer part = isLast && stateId == 1 && (scheme == 1 || scheme == 2) ? HP_HEADERITEMRIGHT : HP_HEADERITEM;
  DrawPart(canvas, t, part, stateId, bounds);
  TRect textBounds = state == cxbsPressed ? ShiftedRect(textAreaBounds, 1, 1) : textAreaBounds;
  PaintThemedText(canvas, t, part, stateId, bounds, textBounds, alignHorz, alignVert, multiLine, showEndEllipsis,
                  false, text, font, textColor, bkColor);
}

void TcxWinXPLookAndFeelPainter::PaintHeaderSection(TcxCanvas* canvas, const TRect& bounds,
                                                    const TRect& textAreaBounds, const TcxNeighbors& neighbors,
                                                    const TcxBorders& borders, TcxButtonState state,
                                                    TAlignment alignHorz, TcxAlignmentVert alignVert, bool multiLine,
                                                    bool showEndEllipsis, const String& text, TFont* font,
                                                    TColor textColor, TColor bkColor) const {
  canvas->FillRectColor(bounds, clBtnFace);
  PaintHeader(canvas, bounds, textAreaBounds, neighbors, borders, state, alignHorz, alignVert, multiLine,
              showEndEllipsis, text, font, textColor, bkColor, nullptr, false);
}

void TcxWinXPLookAndFeelPainter::PaintSortMark(TcxCanvas* canvas, const TRect& r, bool ascending) const {
  PaintSortTriangle(canvas, r, clBtnShadow, clBtnShadow, ascending);
}

Integer TcxWinXPLookAndFeelPainter::HeaderFrameWidth() const {
  HTHEME t = Theme(tcHeader);
  TRect c;
  if (t != 0 && ContentRect(t, nullptr, HP_HEADERITEM, 1, TRect(0, 0, 100, 100), c)) return (c.Left + c.Top) / 2;
  return 1;
}

TRect TcxWinXPLookAndFeelPainter::HeaderSectionContentBounds(const TRect& r, TcxButtonState state) const {
  if (Theme(tcHeader) != 0) return Deflated(r, HeaderFrameWidth());
  return TcxCustomLookAndFeelPainter::HeaderSectionContentBounds(r, state);
}

void TcxWinXPLookAndFeelPainter::PaintFooterCell(TcxCanvas* canvas, const TRect& r, TAlignment alignHorz,
                                                 TcxAlignmentVert alignVert, bool multiLine, const String& text,
                                                 TFont* font, TColor textColor, TColor bkColor,
                                                 const TcxDrawBackgroundEvent& onDrawBackground) const {
  HTHEME t = Theme(tcTrackBar);
  if (t == 0)
    return TcxCustomLookAndFeelPainter::PaintFooterCell(canvas, r, alignHorz, alignVert, multiLine, text, font,
                                                        textColor, bkColor, onDrawBackground);
  DrawPart(canvas, t, TKP_TRACK, 1, r);
  PaintThemedText(canvas, t, TKP_TRACK, 1, r, FooterCellTextBounds(r), alignHorz, alignVert, multiLine, false,
                  false, text, font, textColor, bkColor);
}

Integer TcxWinXPLookAndFeelPainter::FooterCellFrameWidth() const {
  HTHEME t = Theme(tcTrackBar);
  TRect c;
  if (t != 0 && ContentRect(t, nullptr, TKP_TRACK, 1, TRect(0, 0, 100, 100), c)) return c.Left;
  return 1;
}

void TcxWinXPLookAndFeelPainter::PaintFooterFrame(TcxCanvas* canvas, const TRect& r) const {
  HTHEME t = Theme(tcEdit);
  if (t == 0) return TcxStandardLookAndFeelPainter::PaintFooterFrame(canvas, r);
  UxDrawThemeEdge(t, canvas->DeviceContext(), 0, 0, r, BDR_RAISEDINNER, BF_RECT, nullptr);
}

void TcxWinXPLookAndFeelPainter::PaintFilterCloseButton(TcxCanvas* canvas, const TRect& r,
                                                        TcxButtonState state) const {
  HTHEME t = Theme(tcWindow);
  if (t == 0) return TcxCustomLookAndFeelPainter::PaintFilterCloseButton(canvas, r, state);
  DrawPart(canvas, t, WP_SMALLCLOSEBUTTON, kPlainStates[StateIndex(state)], r);
}

void TcxWinXPLookAndFeelPainter::PaintFilterDropDownButton(TcxCanvas* canvas, const TRect& r,
                                                           TcxButtonState state, bool isFilterActive) const {
  HTHEME t = Theme(tcComboBox);
  if (t == 0) return TcxStandardLookAndFeelPainter::PaintFilterDropDownButton(canvas, r, state, isFilterActive);
  DrawPart(canvas, t, CP_DROPDOWNBUTTON, kPlainStates[StateIndex(state)], r);
}

TPoint TcxWinXPLookAndFeelPainter::FilterActivateButtonExtent() const {
  HTHEME t = Theme(tcButton);
  if (t == 0) return TcxCustomLookAndFeelPainter::FilterActivateButtonExtent();
  TSize s = TrueSize(t, BP_CHECKBOX, CBS_CHECKEDNORMAL);
  return TPoint(s.cx, s.cy);
}

TPoint TcxWinXPLookAndFeelPainter::FilterCloseButtonExtent() const {
  HTHEME t = Theme(tcWindow);
  if (t == 0) return TcxCustomLookAndFeelPainter::FilterCloseButtonExtent();
  TSize s = TrueSize(t, WP_SMALLCLOSEBUTTON, 1);
  return TPoint(s.cx + 4, s.cy + 4);
}

void TcxWinXPLookAndFeelPainter::PaintTab(TcxCanvas* canvas, const TRect& r, const TcxBorders& borders,
                                          const String& text, TcxButtonState state, bool vertical, TFont* font,
                                          TColor textColor, TColor bkColor, bool showPrefix) const {
  HTHEME t = Theme(tcTab);
  if (t == 0)
    return TcxStandardLookAndFeelPainter::PaintTab(canvas, r, borders, text, state, vertical, font, textColor,
                                                   bkColor, showPrefix);
  Integer stateId = kPlainStates[StateIndex(state)];
  bool selected = state == cxbsPressed;
  TRect c = r;
  std::unique_ptr<TBitmap> bitmap;
  HDC target = canvas->DeviceContext();
  if (vertical) {
    // Drawn as a horizontal tab into a bitmap, then turned.
    c = TRect(0, 0, r.Height(), r.Width());
    bitmap.reset(CreateSizedBitmap(c.Width(), c.Height(), pf32bit));
    target = bitmap->Canvas()->Handle();
  }
  TRect d = c;
  TcxBorder first = vertical ? bTop : bLeft, last = vertical ? bBottom : bRight;
  if (!borders.Contains(first)) d.Left -= 2;
  if (!borders.Contains(last)) d.Right += 2;
  if (selected)
    ++d.Bottom;
  else
    --c.Bottom;
  UxDrawThemeBackground(t, target, TABP_TABITEM, stateId, d, c);
  if (vertical) {
    TcxCanvas::RotateBitmapPixels(bitmap.get(), 1, true);
    std::swap(c.Right, c.Bottom);
    std::swap(d.Right, d.Bottom);
    BitBlt(canvas->DeviceContext(), r.Left, r.Top, c.Width(), c.Height(), bitmap->Canvas()->Handle(), c.Left,
           c.Top, SRCCOPY);
    bitmap.reset();
    c = ShiftedRect(c, r.Left, r.Top);
    d = ShiftedRect(d, r.Left, r.Top);
  }
  if (selected) {
    if (vertical)
      d.Right -= 2;
    else
      d.Bottom -= 2;
  }
  PaintThemedText(canvas, t, TABP_TABITEM, stateId, c, d, taCenter, vaCenter, false, false, showPrefix, text, font,
                  textColor, bkColor);
}

bool TcxWinXPLookAndFeelPainter::PaintsWholeTabs(bool) const { return Theme(tcTab) != 0; }

void TcxWinXPLookAndFeelPainter::PaintTabFrame(TcxCanvas* canvas, const TRect& r, TcxBorder side,
                                               const TcxBorders& borders, bool vertical) const {
  if (Theme(tcTab) == 0) TcxStandardLookAndFeelPainter::PaintTabFrame(canvas, r, side, borders, vertical);
}

void TcxWinXPLookAndFeelPainter::PaintTabPane(TcxCanvas* canvas, const TRect& r, const TcxBorders& borders,
                                              bool vertical) const {
  HTHEME t = Theme(tcTab);
  if (t == 0) return TcxStandardLookAndFeelPainter::PaintTabPane(canvas, r, borders, vertical);
  TRect ct = r;
  ContentRect(t, canvas->DeviceContext(), TABP_PANE, 0, r, ct);
  TRect d = r;
  if (vertical) {
    d.Bottom += (r.Bottom - ct.Bottom) - (ct.Top - r.Top);
    d.Right += 10;
  } else {
    d.Right += (r.Right - ct.Right) - (ct.Left - r.Left);
    d.Bottom += 10;
  }
  UxDrawThemeBackground(t, canvas->DeviceContext(), TABP_PANE, 0, d, r);
}

Integer TcxWinXPLookAndFeelPainter::TabItemGrowth(bool) const { return Theme(tcTab) != 0 ? 1 : 0; }
Integer TcxWinXPLookAndFeelPainter::TabRowGrowth(bool) const { return Theme(tcTab) != 0 ? 1 : 0; }

void TcxWinXPLookAndFeelPainter::PaintIndicatorHeader(TcxCanvas* canvas, const TRect& r, TcxIndicatorKind kind,
                                                      TColor bkColor,
                                                      const TcxDrawBackgroundEvent& onDrawBackground) const {
  TcxFlatLookAndFeelPainter::Class()->TcxCustomLookAndFeelPainter::PaintIndicatorHeader(canvas, r, kind, bkColor,
                                                                                        onDrawBackground);
}

void TcxWinXPLookAndFeelPainter::PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const TRect& r,
                                                    TcxScrollBarPart part, TcxButtonState state) const {
  HTHEME t = Theme(tcScrollBar);
  if (t == 0) return PaintClassicScrollBarPart(this, canvas, horizontal, r, part, state);
  if (r.IsEmpty()) return;
  Integer stateId = state == cxbsHot ? 2 : state == cxbsPressed ? 3 : state == cxbsDisabled ? 4 : 1;
  switch (part) {
    case sbpLineUp:
    case sbpLineDown:
      PaintArrowButton(canvas, r, state, ScrollBarArrowDirection(horizontal, part), true);
      break;
    case sbpThumb:
      DrawPart(canvas, t, horizontal ? SBP_THUMBBTNHORZ : SBP_THUMBBTNVERT, stateId, r);
      DrawPart(canvas, t, horizontal ? SBP_GRIPPERHORZ : SBP_GRIPPERVERT, 0, r);
      break;
    case sbpPageUp:
      DrawPart(canvas, t, horizontal ? SBP_LOWERTRACKHORZ : SBP_LOWERTRACKVERT, stateId, r);
      break;
    case sbpPageDown:
      DrawPart(canvas, t, horizontal ? SBP_UPPERTRACKHORZ : SBP_UPPERTRACKVERT, stateId, r);
      break;
    default:
      break;
  }
}

void TcxWinXPLookAndFeelPainter::PaintSizeGrip(TcxCanvas* canvas, const TRect& r, TColor bkColor) const {
  canvas->FillRectColor(r, bkColor);
  HTHEME t = Theme(tcScrollBar);
  if (t != 0)
    DrawPart(canvas, t, SBP_SIZEBOX, 1, r);
  else
    TcxCustomLookAndFeelPainter::PaintSizeGrip(canvas, r, clDefault);
}

void TcxWinXPLookAndFeelPainter::PaintMonthHeader(TcxCanvas* canvas, const TRect& r, const String& text,
                                                  const TcxNeighbors& neighbors, const TcxStyleParams& viewParams,
                                                  const TcxHeaderArrows& arrows, Integer arrowIndent,
                                                  const TcxDrawBackgroundEvent& onDrawBackground) const {
  PaintHeader(canvas, r, r, neighbors, cxBordersAll, cxbsNormal, taCenter, vaCenter, false, false, text,
              viewParams.Font, viewParams.TextColor, viewParams.Color, onDrawBackground,
              !neighbors.Contains(nRight));
  PaintMonthHeaderArrows(canvas, r, arrows, arrowIndent, clWindowText);
}

void TcxWinXPLookAndFeelPainter::PaintNavigatorButton(TcxCanvas* canvas, const TRect& r,
                                                      TcxButtonState state) const {
  HTHEME t = Theme(tcToolBar);
  if (t == 0) return TcxCustomLookAndFeelPainter::PaintNavigatorButton(canvas, r, state);
  DrawPart(canvas, t, TP_BUTTON, kToolBarStates[StateIndex(state)], r);
}

void TcxWinXPLookAndFeelPainter::PaintSplitterFrame(TcxCanvas* canvas, const TRect& r,
                                                    const TcxStyleParams& viewParams, bool horizontal) const {
  HTHEME combo = Theme(tcComboBox);
  if (Theme(tcListView) == 0 || combo == 0)
    return TcxStandardLookAndFeelPainter::Class()->PaintSplitterFrame(canvas, r, viewParams, horizontal);
  COLORREF c = 0;
  TColor border = SUCCEEDED(UxGetThemeColor(combo, 1, 1, TMT_BORDERCOLOR, c)) ? TColor(c) : clBtnShadow;
  TRect rr = r;
  if (horizontal) {
    canvas->FillRectColor(TRect(rr.Left, rr.Top, rr.Right, rr.Top + 1), border);
    canvas->FillRectColor(TRect(rr.Left, rr.Bottom - 1, rr.Right, rr.Bottom), border);
    rr = GrowRectSides(rr, 1, -1, 1, -1);
  } else {
    canvas->FillRectColor(TRect(rr.Left, rr.Top, rr.Left + 1, rr.Bottom), border);
    canvas->FillRectColor(TRect(rr.Right - 1, rr.Top, rr.Right, rr.Bottom), border);
    rr = GrowRectSides(rr, -1, 1, -1, 1);
  }
  canvas->FillFramedArea(rr, viewParams, TcxBorders{}, clDefault, 1, false);
}

void TcxWinXPLookAndFeelPainter::PaintThemedText(TcxCanvas* canvas, HTHEME theme, Integer partId, Integer stateId,
                                                 const TRect&, const TRect& textBounds, TAlignment alignHorz,
                                                 TcxAlignmentVert alignVert, bool multiLine, bool showEndEllipsis,
                                                 bool showPrefix, const String& text, TFont* font, TColor textColor,
                                                 TColor) const {
  if (text.empty()) return;
  TRect r = textBounds;
  PrepareFont(canvas, font, textColor);
  if (multiLine && alignVert != vaTop) {
    TRect m(0, 0, r.Width(), 0);
    canvas->MeasureTextRect(text, m, ctfLeft | ctfTop | ctfWordBreak | (showPrefix ? ctfShowPrefix : 0));
    Integer h = m.Height();
    if (alignVert == vaBottom)
      r.Top = r.Bottom - h;
    else
      r.Top = (r.Top + r.Bottom - h) / 2;
  }
  DWORD format = 0;
  if (alignHorz == taRightJustify) format |= DT_RIGHT;
  else if (alignHorz == taCenter) format |= DT_CENTER;
  if (alignVert == vaBottom) format |= DT_BOTTOM;
  else if (alignVert == vaCenter) format |= DT_VCENTER;
  format |= multiLine ? DT_WORDBREAK : DT_SINGLELINE;
  if (showEndEllipsis) format |= DT_END_ELLIPSIS;
  if (!showPrefix) format |= DT_NOPREFIX;
  format |= DT_EDITCONTROL;
  SelectCanvasFont(canvas);
  UxDrawThemeTextAnsi(theme, canvas->DeviceContext(), partId, stateId, text, Integer(text.size()), format, 0, r);
}
