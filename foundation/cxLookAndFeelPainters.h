// The look-and-feel painters: every button, check box, radio button, header, footer, expand
// button, scroll-bar part, tab, size grip, navigator button and indicator cell of the library
// is drawn by one of them, and every default colour and metric of a look comes from them.
//
// A painter is class-level: it has no state, and each painter class has exactly one immutable
// instance (`TcxStandardLookAndFeelPainter::Class()` ...). A painter class value
// (`TcxCustomLookAndFeelPainterClass`) points to that instance; callers call through it.
//
// The unit also keeps the resources the painters share: the skin painter registry, the
// row-indicator glyphs, the scroll-bar page patterns, the system check-box size and the
// pre-rendered radio-button images.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "foundation/cxClasses.h"
#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/dxThemeManager.h"
#include "vcl/StdCtrls.h"

// ---- shared enumerations -------------------------------------------------------------------

enum TcxButtonState { cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled };
enum TcxArrowDirection { adUp, adDown, adLeft, adRight };
enum TcxNeighbor { nLeft, nTop, nRight, nBottom };
using TcxNeighbors = TSet<TcxNeighbor, 4>;
enum TcxLookAndFeelStyle { lfsFlat, lfsStandard, lfsUltraFlat, lfsNative, lfsOffice11 };
// Only the low 7 bits of an indicator kind count.
using TcxIndicatorKind = Integer;
constexpr TcxIndicatorKind ikNone = 0, ikArrow = 1, ikEdit = 2, ikInsert = 3, ikMultiDot = 4,
                           ikMultiArrow = 5, ikFilter = 6;
enum TcxHeaderArrow { haLeft, haRight };
using TcxHeaderArrows = TSet<TcxHeaderArrow, 2>;
// The parts of a scroll bar (the scroll bar unit uses the same values).
enum TcxScrollBarPart { sbpNone, sbpLineUp, sbpLineDown, sbpThumb, sbpPageUp, sbpPageDown };

// Supplied by the owner of a cell: true when it painted the background itself.
using TcxDrawBackgroundEvent = std::function<bool(TcxCanvas* canvas, const TRect& bounds)>;

// 0 lfFlat, 2 lfUltraFlat, 4 lfOffice11, every other style lfStandard.
TcxLookAndFeelKind LookAndFeelKindOfStyle(Integer style);

// Text flags of the alignment arguments of the contract.
TcxTextFlags AlignHorzFlag(TAlignment a);
TcxTextFlags AlignVertFlag(TcxAlignmentVert a);
TcxTextFlags CellTextFlags(TAlignment horz, TcxAlignmentVert vert, bool multiLine, bool endEllipsis);

// ---- the contract --------------------------------------------------------------------------

class TcxCustomLookAndFeelPainter {
 public:
  TcxCustomLookAndFeelPainter() = default;
  TcxCustomLookAndFeelPainter(const TcxCustomLookAndFeelPainter&) = delete;
  TcxCustomLookAndFeelPainter& operator=(const TcxCustomLookAndFeelPainter&) = delete;
  virtual ~TcxCustomLookAndFeelPainter() = default;

  static const TcxCustomLookAndFeelPainter* Class();
  virtual const char* ClassName() const { return "TcxCustomLookAndFeelPainter"; }
  // True when this painter class is cls or derives from it.
  virtual bool InheritsFrom(TcxCustomLookAndFeelPainterClass cls) const { return cls == Class(); }

  // ---- cell content and colours
  virtual void PaintButtonArrow(TcxCanvas* canvas, const TRect& r, TColor color) const;
  virtual void PaintCellContent(TcxCanvas* canvas, const TRect& bounds, const TRect& textAreaBounds,
                                TcxButtonState state, TAlignment alignHorz, TcxAlignmentVert alignVert,
                                bool multiLine, bool showEndEllipsis, const String& text, TFont* font,
                                TColor textColor, TColor bkColor,
                                const TcxDrawBackgroundEvent& onDrawBackground, bool flat) const;
  virtual TRect FooterCellContentBounds(const TRect& r) const;
  virtual TRect FooterCellTextBounds(const TRect& r) const;
  virtual TcxLookAndFeelStyle PainterStyle() const { return lfsStandard; }
  virtual TColor ContentColor() const { return clWindow; }
  virtual TColor ContentTextColor() const { return clWindowText; }
  virtual TColor FilterBoxColor() const { return clBtnShadow; }
  virtual TColor FilterBoxTextColor() const { return clBtnHighlight; }
  virtual TColor FixedBandSeparatorColor() const { return clBtnText; }
  virtual TColor FooterColor() const { return clBtnFace; }
  virtual TColor FooterTextColor() const { return clBtnText; }
  virtual TColor GridLineColor() const { return clBtnShadow; }
  virtual TColor GroupColor() const { return clBtnFace; }
  virtual TColor GroupTextColor() const { return clBtnText; }
  virtual TColor GroupByBoxColor() const { return clBtnShadow; }
  virtual TColor GroupByBoxTextColor() const { return clBtnFace; }
  virtual TColor HeaderColor() const { return clBtnFace; }
  virtual TColor HeaderTextColor() const { return clBtnText; }
  virtual TColor HeaderBackgroundColor() const { return clBtnShadow; }
  virtual TColor HeaderBackgroundTextColor() const { return clBtnFace; }
  virtual TColor ExtraBlueTextColor() const { return 0xFF0000; }
  virtual TColor InactiveColor() const { return clBtnFace; }
  virtual TColor InactiveTextColor() const { return clBtnText; }
  virtual TColor PreviewTextColor() const { return 0xFF0000; }
  virtual TColor RowSeparatorColor() const { return GridLineColor(); }
  virtual TColor CalendarFaceColor() const { return clBtnFace; }
  virtual TColor CalendarSelectedDayColor() const { return clHighlight; }
  virtual TColor CalendarSelectedDayTextColor() const { return clHighlightText; }
  virtual TColor ExtraContentColor() const { return clWindow; }
  virtual TColor ExtraContentTextColor() const { return clWindowText; }
  virtual TColor BorderColor() const { return 0x0000FF; }
  virtual TColor ExtraFaceColor() const { return clBtnFace; }
  virtual TColor ExtraInfoColor() const { return 0xD5FFFF; }
  virtual TColor ExtraInfoTextColor() const { return clWindowText; }
  virtual TColor SelectionColor() const { return clHighlight; }
  virtual TColor SelectionTextColor() const { return clHighlightText; }
  virtual TColor SeparatorColor() const { return clBtnFace; }
  virtual TColor TabColor() const { return clBtnFace; }
  virtual TColor TabTextColor() const { return clBtnText; }
  virtual TColor TabsBackgroundColor() const { return clBtnFace; }
  virtual TColor ExtraWhiteColor() const { return 0xFFFFFF; }
  virtual TColor ExtraBlackColor() const { return 0x000000; }
  virtual TColor ExtraPanelColor() const { return clBtnFace; }
  virtual TColor ExtraPanelTextColor() const { return clBtnText; }
  virtual TColor ExtraPanelLightColor() const { return 0xFFFFFF; }
  virtual TColor ChartValueTextColor() const { return 0x000000; }
  virtual TColor ChartValueCaptionTextColor() const { return 0x000000; }
  virtual TColor ChartAxisColor() const { return 0x000000; }
  virtual TColor ChartGridLinesColor() const { return 0xCFCFCF; }
  virtual TColor ChartPlotColor() const { return 0xFFFFFF; }
  virtual TColor ExtraShadowColor() const { return clBtnShadow; }
  virtual TColor ExtraLightBlueColor() const { return 0xF0CAA6; }
  virtual TColor ExtraNavyColor() const { return 0x800000; }
  virtual TColor ExtraDarkLineColor() const { return clBtnShadow; }
  virtual TColor ExtraDarkFrameColor() const { return clBtnShadow; }

  // ---- arrows, borders and buttons
  virtual void PaintArrow(TcxCanvas* canvas, const TRect& r, TcxArrowDirection direction, TColor color) const;
  virtual void PaintArrowButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                TcxArrowDirection direction, bool drawFrame) const;
  virtual void PaintArrowButtonFrame(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const;
  virtual void PaintStateArrow(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                               TcxArrowDirection direction) const;
  virtual Integer ControlBorderWidth() const { return 0; }
  virtual void PaintControlBorder(TcxCanvas* canvas, const TRect& r) const {}
  virtual TRect AdjustGroupedButtonRect(const TRect& r, Integer count, Integer index) const { return r; }
  virtual Integer ButtonFrameWidth(TcxButtonState state = cxbsNormal) const { return 0; }
  virtual TColor ButtonFaceColor(TcxButtonState state) const { return clBtnFace; }
  virtual TRect ButtonFocusBounds(TcxCanvas* canvas, const TRect& r) const;
  virtual TRect ButtonGroupFrameWidths(Integer count, Integer index) const;
  virtual Integer ButtonTextIndent() const { return 0; }
  virtual Integer ButtonPressedTextShift() const { return 0; }
  virtual TColor ButtonGlyphColor(TcxButtonState state, TColor defaultColor = clDefault) const;
  virtual TcxButtonState ButtonGlyphState(TcxButtonState state) const { return state; }
  virtual void PaintButton(TcxCanvas* canvas, const TRect& r, const String& caption, TcxButtonState state,
                           bool drawFrame = true, TColor color = clDefault, TColor textColor = clDefault) const;
  virtual void PaintBlankButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state, Integer count,
                                Integer index, TColor color) const;
  virtual void PaintButtonFrame(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const {}
  virtual void PaintNavigatorBorder(TcxCanvas* canvas, const TRect& r, bool focused, bool hot) const {}

  // ---- expand buttons, check boxes and radio buttons
  virtual void PaintExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded, TColor color = clDefault) const {}
  virtual bool PaintsExpandButtonFirst() const { return true; }
  virtual void PaintGroupExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded, TcxButtonState state) const;
  virtual void PaintSmallExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded, TColor borderColor,
                                      TColor color = clDefault) const;
  virtual Integer ExpandButtonExtent() const { return 0; }
  virtual Integer GroupExpandButtonExtent() const { return 15; }
  virtual bool ButtonHotTracks() const { return false; }
  virtual bool HitTestGroupExpandButton(const TRect& r, const TPoint& p) const;
  virtual Integer SmallExpandButtonExtent() const { return 9; }
  virtual Integer CheckFrameWidth() const { return 2; }
  virtual TColor CheckFaceColor(TcxButtonState state) const;
  virtual TSize CheckBoxExtent() const;
  virtual void PaintCheckMark(TcxCanvas* canvas, const TRect& r, TcxButtonState state, bool checked,
                              TColor color) const;
  virtual void PaintCheckFrame(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const {}
  virtual void PaintCheckBox(TcxCanvas* canvas, const TRect& r, TcxButtonState state, bool checked) const;
  virtual void PaintRadioButton(TcxCanvas* canvas, Integer x, Integer y, TcxButtonState state, bool checked,
                                bool focused, TColor bkColor, bool isDesigning = false) const;
  virtual TSize RadioButtonExtent() const;

  // ---- headers
  virtual void PaintHeader(TcxCanvas* canvas, const TRect& bounds, const TRect& textAreaBounds,
                           const TcxNeighbors& neighbors, const TcxBorders& borders, TcxButtonState state,
                           TAlignment alignHorz, TcxAlignmentVert alignVert, bool multiLine,
                           bool showEndEllipsis, const String& text, TFont* font, TColor textColor,
                           TColor bkColor, const TcxDrawBackgroundEvent& onDrawBackground = nullptr,
                           bool isLast = false) const;
  virtual void PaintItemHeader(TcxCanvas* canvas, const TRect& bounds, const TRect& textAreaBounds,
                               const TcxNeighbors& neighbors, const TcxBorders& borders, TcxButtonState state,
                               TAlignment alignHorz, TcxAlignmentVert alignVert, bool multiLine,
                               bool showEndEllipsis, const String& text, TFont* font, TColor textColor,
                               TColor bkColor, const TcxDrawBackgroundEvent& onDrawBackground = nullptr) const;
  virtual void PaintHeaderFrame(TcxCanvas* canvas, const TRect& r, const TcxNeighbors& neighbors,
                                const TcxBorders& borders) const {}
  virtual void PaintHeaderBackground(TcxCanvas* canvas, const TRect& r) const;
  virtual void PaintHeaderSection(TcxCanvas* canvas, const TRect& bounds, const TRect& textAreaBounds,
                                  const TcxNeighbors& neighbors, const TcxBorders& borders, TcxButtonState state,
                                  TAlignment alignHorz, TcxAlignmentVert alignVert, bool multiLine,
                                  bool showEndEllipsis, const String& text, TFont* font, TColor textColor,
                                  TColor bkColor) const;
  virtual void PaintHeaderSectionFrame(TcxCanvas* canvas, const TRect& r, const TcxBorders& borders,
                                       TcxButtonState state) const {}
  virtual void PaintHeaderSectionContent(TcxCanvas* canvas, const TRect& bounds, const TRect& textAreaBounds,
                                         TcxButtonState state, TAlignment alignHorz, TcxAlignmentVert alignVert,
                                         bool multiLine, bool showEndEllipsis, const String& text, TFont* font,
                                         TColor textColor, TColor bkColor) const;
  virtual void PaintHeaderSectionText(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                      TAlignment alignHorz, TcxAlignmentVert alignVert, bool multiLine,
                                      bool showEndEllipsis, const String& text, TFont* font,
                                      TColor textColor) const;
  virtual void PaintSortMark(TcxCanvas* canvas, const TRect& r, bool ascending) const {}
  virtual TcxBorders HeaderFrameSides(const TcxNeighbors& neighbors) const { return cxBordersAll; }
  virtual Integer HeaderFrameWidth() const { return 0; }
  virtual TRect HeaderContentBounds(const TRect& bounds, const TcxNeighbors& neighbors,
                                    const TcxBorders& borders) const;
  virtual TRect HeaderTextBounds(const TRect& bounds, const TcxBorders& borders) const;
  virtual bool HeaderItemPassNeeded() const { return true; }
  virtual Integer HeaderHeightForText(Integer textHeight) const;
  virtual Integer HeaderSectionFrameWidth(TcxButtonState state) const { return 1; }
  virtual TRect HeaderSectionTextBounds(const TRect& r, TcxButtonState state) const;
  virtual TRect HeaderSectionContentBounds(const TRect& r, TcxButtonState state) const;
  virtual Integer HeaderWidthForText(TcxCanvas* canvas, const TcxBorders& borders, const String& text,
                                     TFont* font) const;
  virtual bool HeaderDrawsOwnBackground() const { return false; }
  virtual TPoint SortMarkAreaSize() const;
  virtual TPoint SortMarkExtent() const { return TPoint(0, 0); }

  // ---- footers and filter buttons
  virtual void PaintFooterCell(TcxCanvas* canvas, const TRect& r, TAlignment alignHorz,
                               TcxAlignmentVert alignVert, bool multiLine, const String& text, TFont* font,
                               TColor textColor, TColor bkColor,
                               const TcxDrawBackgroundEvent& onDrawBackground = nullptr) const;
  virtual TcxBorders FooterFrameSides() const { return cxBordersAll; }
  virtual Integer FooterFrameWidth() const { return 0; }
  virtual Integer FooterCellFrameWidth() const { return 0; }
  virtual Integer FooterCellSpacing() const { return 0; }
  virtual bool FooterItemPassNeeded() const { return true; }
  virtual TColor FooterSeparatorColor() const { return clBtnShadow; }
  virtual Integer FooterSeparatorWidth() const { return 1; }
  virtual void PaintFooterFrame(TcxCanvas* canvas, const TRect& r) const {}
  virtual void PaintFooterCellFrame(TcxCanvas* canvas, const TRect& r) const {}
  virtual void PaintFooterSeparator(TcxCanvas* canvas, const TRect& r) const;
  virtual void PaintFilterActivateButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                         bool checked) const;
  virtual void PaintFilterCloseButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const;
  virtual void PaintFilterDropDownButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                         bool isFilterActive) const {}
  virtual TPoint FilterActivateButtonExtent() const { return TPoint(13, 13); }
  virtual TPoint FilterCloseButtonExtent() const { return TPoint(16, 14); }
  virtual TPoint FilterDropDownButtonExtent() const { return TPoint(15, 0); }
  virtual bool ExtraFilterFlag() const { return true; }

  // ---- tabs, indicators, scroll bars and the rest
  virtual void PaintTab(TcxCanvas* canvas, const TRect& r, const TcxBorders& borders, const String& text,
                        TcxButtonState state, bool vertical, TFont* font, TColor textColor, TColor bkColor,
                        bool showPrefix = false) const {}
  // r is the one-pixel strip of side `side` of a tab.
  virtual void PaintTabFrame(TcxCanvas* canvas, const TRect& r, TcxBorder side, const TcxBorders& borders,
                             bool vertical) const {}
  virtual void PaintTabPane(TcxCanvas* canvas, const TRect& r, const TcxBorders& borders, bool vertical) const {}
  virtual Integer TabItemGrowth(bool flag = false) const { return 0; }
  virtual Integer TabRowGrowth(bool flag = false) const { return 0; }
  virtual Integer TabFrameWidth(bool vertical) const { return 0; }
  // The painter draws whole tabs (PaintTab) rather than their frame sides and content.
  virtual bool PaintsWholeTabs(bool vertical) const { return false; }
  // Tabs follow the mouse (hot state).
  virtual bool TabsHotTrack(bool vertical) const { return false; }
  virtual void PaintIndicatorHeader(TcxCanvas* canvas, const TRect& r, TcxIndicatorKind kind, TColor bkColor,
                                    const TcxDrawBackgroundEvent& onDrawBackground = nullptr) const;
  virtual void PaintIndicatorItem(TcxCanvas* canvas, const TRect& r, TcxIndicatorKind kind, TColor bkColor,
                                  const TcxDrawBackgroundEvent& onDrawBackground = nullptr) const;
  virtual bool IndicatorItemPassNeeded() const { return true; }
  virtual void PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const TRect& r, TcxScrollBarPart part,
                                  TcxButtonState state) const {}
  virtual TSize SizeGripExtent() const;
  virtual void PaintSizeGrip(TcxCanvas* canvas, const TRect& r, TColor bkColor) const;
  virtual void PaintMonthHeader(TcxCanvas* canvas, const TRect& r, const String& text,
                                const TcxNeighbors& neighbors, const TcxStyleParams& viewParams,
                                const TcxHeaderArrows& arrows, Integer arrowIndent,
                                const TcxDrawBackgroundEvent& onDrawBackground = nullptr) const;
  virtual void PaintBorder(TcxCanvas* canvas, const TRect& r) const { PaintControlBorder(canvas, r); }
  virtual void PaintNavigatorButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const;
  virtual void PaintSplitterFrame(TcxCanvas* canvas, const TRect& r, const TcxStyleParams& viewParams,
                                  bool horizontal) const {}
  virtual Integer ExtraLineWidth() const { return 1; }
  virtual void PaintExtraFrame(TcxCanvas* canvas, const TRect& r, Integer value1, Integer value2) const {}
  virtual Integer ExtraIndent() const { return 0; }
  virtual void PaintNavigatorGlyph(TcxCanvas* canvas, TCustomImageList* images, Integer imageIndex,
                                   Integer buttonIndex, const TRect& glyphRect, bool enabled,
                                   bool userGlyphs) const;
  virtual TSize NavigatorGlyphExtent() const { return TSize(0, 0); }
  virtual void PaintProgressBarFrame(TcxCanvas* canvas, const TRect& r, bool vertical) const {}
  virtual void PaintProgressBarBlock(TcxCanvas* canvas, const TRect& r, bool vertical) const {}
  virtual TRect ProgressBarFrameWidths(bool vertical) const { return TRect(0, 0, 0, 0); }
  virtual TColor ProgressBarCaptionColor() const { return clDefault; }
  virtual void PaintGroupBoxBackground(TcxCanvas* canvas, Integer value, const TRect& r) const {}

  // ---- glyph geometry shared by every painter
  // Three points of an arrow triangle; size 0 picks the size from the rectangle.
  static void ComputeArrowPoints(const TRect& r, TcxArrowDirection direction, bool proportional,
                                 Integer size, TPoint points[3]);
  void PaintExpandCross(TcxCanvas* canvas, const TRect& r, bool expanded, TColor color) const;
  void PaintGroupExpandMark(TcxCanvas* canvas, const TRect& r, bool expanded, TcxButtonState state) const;
  void PaintCloseCross(TcxCanvas* canvas, const TRect& r, TColor color, TcxButtonState glyphState) const;
  void PaintSortTriangle(TcxCanvas* canvas, const TRect& r, TColor darkColor, TColor lightColor,
                         bool ascending) const;
  void PaintMonthHeaderArrows(TcxCanvas* canvas, const TRect& r, const TcxHeaderArrows& arrows,
                              Integer arrowIndent, TColor color) const;
  static void PaintIndicatorImage(TcxCanvas* canvas, const TRect& r, TcxIndicatorKind kind);
  static TcxArrowDirection ScrollBarArrowDirection(bool horizontal, TcxScrollBarPart part);

 protected:
  // The three-stroke check mark of PaintCheckMark.
  static void DrawCheckMarkStrokes(TcxCanvas* canvas, const TRect& r, TColor color);
  static void DrawTriangle(TcxCanvas* canvas, const TPoint points[3], TColor color);
};

// ---- standard ------------------------------------------------------------------------------

class TcxStandardLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
 public:
  static const TcxStandardLookAndFeelPainter* Class();
  const char* ClassName() const override { return "TcxStandardLookAndFeelPainter"; }
  bool InheritsFrom(TcxCustomLookAndFeelPainterClass cls) const override {
    return cls == Class() || TcxCustomLookAndFeelPainter::InheritsFrom(cls);
  }

  TcxLookAndFeelStyle PainterStyle() const override { return lfsStandard; }
  TColor ExtraInfoColor() const override { return clWindow; }
  Integer ControlBorderWidth() const override { return 2; }
  void PaintControlBorder(TcxCanvas* canvas, const TRect& r) const override;
  Integer ButtonFrameWidth(TcxButtonState state = cxbsNormal) const override { return state == cxbsDefault ? 3 : 2; }
  Integer ButtonTextIndent() const override { return 1; }
  Integer ButtonPressedTextShift() const override { return 1; }
  void PaintButtonFrame(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const override;
  void PaintExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded, TColor color = clDefault) const override;
  void PaintGroupExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded, TcxButtonState state) const override;
  Integer ExpandButtonExtent() const override { return 12; }
  bool ButtonHotTracks() const override { return false; }
  void PaintCheckFrame(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const override;
  void PaintHeaderFrame(TcxCanvas* canvas, const TRect& r, const TcxNeighbors& neighbors,
                        const TcxBorders& borders) const override;
  void PaintHeaderSectionFrame(TcxCanvas* canvas, const TRect& r, const TcxBorders& borders,
                               TcxButtonState state) const override;
  void PaintSortMark(TcxCanvas* canvas, const TRect& r, bool ascending) const override;
  Integer HeaderFrameWidth() const override { return 1; }
  Integer HeaderSectionFrameWidth(TcxButtonState state) const override { return state == cxbsPressed ? 1 : 2; }
  TPoint SortMarkExtent() const override { return TPoint(8, 7); }
  Integer FooterFrameWidth() const override { return 1; }
  Integer FooterCellFrameWidth() const override { return 1; }
  Integer FooterCellSpacing() const override { return 1; }
  void PaintFooterFrame(TcxCanvas* canvas, const TRect& r) const override;
  void PaintFooterCellFrame(TcxCanvas* canvas, const TRect& r) const override;
  void PaintFilterDropDownButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                 bool isFilterActive) const override;
  void PaintTabFrame(TcxCanvas* canvas, const TRect& r, TcxBorder side, const TcxBorders& borders,
                     bool vertical) const override;
  void PaintTabPane(TcxCanvas* canvas, const TRect& r, const TcxBorders& borders, bool vertical) const override;
  Integer TabFrameWidth(bool vertical) const override { return 1; }
  void PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const TRect& r, TcxScrollBarPart part,
                          TcxButtonState state) const override;
  void PaintMonthHeader(TcxCanvas* canvas, const TRect& r, const String& text, const TcxNeighbors& neighbors,
                        const TcxStyleParams& viewParams, const TcxHeaderArrows& arrows, Integer arrowIndent,
                        const TcxDrawBackgroundEvent& onDrawBackground = nullptr) const override;
  void PaintSplitterFrame(TcxCanvas* canvas, const TRect& r, const TcxStyleParams& viewParams,
                          bool horizontal) const override;

  // The classic scroll-bar recipe, carried out with the given painter's operations.
  static void PaintClassicScrollBarPart(const TcxCustomLookAndFeelPainter* painter, TcxCanvas* canvas,
                                        bool horizontal, const TRect& r, TcxScrollBarPart part,
                                        TcxButtonState state);
};

// ---- flat ----------------------------------------------------------------------------------

class TcxFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
 public:
  static const TcxFlatLookAndFeelPainter* Class();
  const char* ClassName() const override { return "TcxFlatLookAndFeelPainter"; }
  bool InheritsFrom(TcxCustomLookAndFeelPainterClass cls) const override {
    return cls == Class() || TcxCustomLookAndFeelPainter::InheritsFrom(cls);
  }

  TcxLookAndFeelStyle PainterStyle() const override { return lfsFlat; }
  Integer ControlBorderWidth() const override { return 1; }
  void PaintControlBorder(TcxCanvas* canvas, const TRect& r) const override;
  Integer ButtonFrameWidth(TcxButtonState state = cxbsNormal) const override { return state == cxbsDefault ? 2 : 1; }
  Integer ButtonTextIndent() const override { return 1; }
  Integer ButtonPressedTextShift() const override { return 1; }
  void PaintButtonFrame(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const override;
  void PaintExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded, TColor color = clDefault) const override;
  Integer ExpandButtonExtent() const override { return 11; }
  bool ButtonHotTracks() const override { return false; }
  void PaintCheckFrame(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const override;
  void PaintHeaderFrame(TcxCanvas* canvas, const TRect& r, const TcxNeighbors& neighbors,
                        const TcxBorders& borders) const override;
  void PaintHeaderSectionFrame(TcxCanvas* canvas, const TRect& r, const TcxBorders& borders,
                               TcxButtonState state) const override;
  void PaintSortMark(TcxCanvas* canvas, const TRect& r, bool ascending) const override;
  Integer HeaderFrameWidth() const override { return 1; }
  TPoint SortMarkExtent() const override { return TPoint(8, 7); }
  Integer FooterFrameWidth() const override { return 1; }
  Integer FooterCellFrameWidth() const override { return 1; }
  Integer FooterCellSpacing() const override { return 1; }
  void PaintFooterFrame(TcxCanvas* canvas, const TRect& r) const override;
  void PaintFooterCellFrame(TcxCanvas* canvas, const TRect& r) const override;
  void PaintFilterDropDownButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                 bool isFilterActive) const override;
  void PaintTabFrame(TcxCanvas* canvas, const TRect& r, TcxBorder side, const TcxBorders& borders,
                     bool vertical) const override;
  void PaintTabPane(TcxCanvas* canvas, const TRect& r, const TcxBorders& borders, bool vertical) const override;
  Integer TabFrameWidth(bool vertical) const override { return 1; }
  void PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const TRect& r, TcxScrollBarPart part,
                          TcxButtonState state) const override;
  void PaintSplitterFrame(TcxCanvas* canvas, const TRect& r, const TcxStyleParams& viewParams,
                          bool horizontal) const override;
};

// ---- ultra flat ----------------------------------------------------------------------------

class TcxUltraFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
 public:
  static const TcxUltraFlatLookAndFeelPainter* Class();
  const char* ClassName() const override { return "TcxUltraFlatLookAndFeelPainter"; }
  bool InheritsFrom(TcxCustomLookAndFeelPainterClass cls) const override {
    return cls == Class() || TcxCustomLookAndFeelPainter::InheritsFrom(cls);
  }

  TcxLookAndFeelStyle PainterStyle() const override { return lfsUltraFlat; }
  TColor BorderColor() const override { return clBtnShadow; }
  Integer ControlBorderWidth() const override { return 1; }
  void PaintControlBorder(TcxCanvas* canvas, const TRect& r) const override;
  Integer ButtonFrameWidth(TcxButtonState state = cxbsNormal) const override { return state == cxbsDefault ? 2 : 1; }
  TColor ButtonFaceColor(TcxButtonState state) const override;
  TRect ButtonFocusBounds(TcxCanvas* canvas, const TRect& r) const override;
  TRect ButtonGroupFrameWidths(Integer count, Integer index) const override;
  Integer ButtonTextIndent() const override { return 2; }
  Integer ButtonPressedTextShift() const override { return 0; }
  TColor ButtonGlyphColor(TcxButtonState state, TColor defaultColor = clDefault) const override;
  TcxButtonState ButtonGlyphState(TcxButtonState state) const override { return cxbsNormal; }
  void PaintBlankButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state, Integer count, Integer index,
                        TColor color) const override;
  void PaintButtonFrame(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const override;
  void PaintNavigatorBorder(TcxCanvas* canvas, const TRect& r, bool focused, bool hot) const override;
  void PaintExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded, TColor color = clDefault) const override;
  Integer ExpandButtonExtent() const override { return 11; }
  bool ButtonHotTracks() const override { return true; }
  void PaintCheckFrame(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const override;
  void PaintItemHeader(TcxCanvas* canvas, const TRect& bounds, const TRect& textAreaBounds,
                       const TcxNeighbors& neighbors, const TcxBorders& borders, TcxButtonState state,
                       TAlignment alignHorz, TcxAlignmentVert alignVert, bool multiLine, bool showEndEllipsis,
                       const String& text, TFont* font, TColor textColor, TColor bkColor,
                       const TcxDrawBackgroundEvent& onDrawBackground = nullptr) const override;
  void PaintHeaderFrame(TcxCanvas* canvas, const TRect& r, const TcxNeighbors& neighbors,
                        const TcxBorders& borders) const override;
  void PaintHeaderSectionFrame(TcxCanvas* canvas, const TRect& r, const TcxBorders& borders,
                               TcxButtonState state) const override;
  void PaintHeaderSectionContent(TcxCanvas* canvas, const TRect& bounds, const TRect& textAreaBounds,
                                 TcxButtonState state, TAlignment alignHorz, TcxAlignmentVert alignVert,
                                 bool multiLine, bool showEndEllipsis, const String& text, TFont* font,
                                 TColor textColor, TColor bkColor) const override;
  void PaintSortMark(TcxCanvas* canvas, const TRect& r, bool ascending) const override;
  TcxBorders HeaderFrameSides(const TcxNeighbors& neighbors) const override;
  Integer HeaderFrameWidth() const override { return 1; }
  TPoint SortMarkExtent() const override { return TPoint(7, 8); }
  TcxBorders FooterFrameSides() const override { return TcxBorders{bRight, bBottom}; }
  Integer FooterFrameWidth() const override { return 1; }
  Integer FooterCellFrameWidth() const override { return 1; }
  Integer FooterCellSpacing() const override { return 2; }
  void PaintFooterFrame(TcxCanvas* canvas, const TRect& r) const override;
  void PaintFooterCellFrame(TcxCanvas* canvas, const TRect& r) const override;
  void PaintFilterDropDownButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                 bool isFilterActive) const override;
  TPoint FilterCloseButtonExtent() const override { return TPoint(16, 15); }
  void PaintTabFrame(TcxCanvas* canvas, const TRect& r, TcxBorder side, const TcxBorders& borders,
                     bool vertical) const override;
  void PaintTabPane(TcxCanvas* canvas, const TRect& r, const TcxBorders& borders, bool vertical) const override;
  Integer TabFrameWidth(bool vertical) const override { return 1; }
  void PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const TRect& r, TcxScrollBarPart part,
                          TcxButtonState state) const override;
  void PaintNavigatorButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const override;
  void PaintSplitterFrame(TcxCanvas* canvas, const TRect& r, const TcxStyleParams& viewParams,
                          bool horizontal) const override;

  virtual TColor ButtonBorderColor(TcxButtonState state) const;
  virtual TColor TabBorderColor() const { return clBtnShadow; }
  virtual TColor TabDarkBorderColor() const { return clBtnText; }
  virtual TColor HotFrameColor() const { return clHighlight; }
};

// ---- Office11 ---------------------------------------------------------------------------

class TcxOffice11LookAndFeelPainter : public TcxUltraFlatLookAndFeelPainter {
 public:
  static const TcxOffice11LookAndFeelPainter* Class();
  const char* ClassName() const override { return "TcxOffice11LookAndFeelPainter"; }
  bool InheritsFrom(TcxCustomLookAndFeelPainterClass cls) const override {
    return cls == Class() || TcxUltraFlatLookAndFeelPainter::InheritsFrom(cls);
  }

  void PaintCellContent(TcxCanvas* canvas, const TRect& bounds, const TRect& textAreaBounds,
                        TcxButtonState state, TAlignment alignHorz, TcxAlignmentVert alignVert, bool multiLine,
                        bool showEndEllipsis, const String& text, TFont* font, TColor textColor, TColor bkColor,
                        const TcxDrawBackgroundEvent& onDrawBackground, bool flat) const override;
  TcxLookAndFeelStyle PainterStyle() const override { return lfsOffice11; }
  TColor FilterBoxColor() const override;
  TColor FilterBoxTextColor() const override;
  TColor FooterColor() const override;
  TColor FooterTextColor() const override { return HeaderTextColor(); }
  TColor GroupColor() const override;
  TColor GroupByBoxColor() const override;
  TColor GroupByBoxTextColor() const override;
  TColor HeaderColor() const override { return HeaderGradientTopColor(); }
  TColor HeaderBackgroundColor() const override { return GroupByBoxColor(); }
  TColor CalendarFaceColor() const override;
  TColor CalendarSelectedDayColor() const override;
  TColor CalendarSelectedDayTextColor() const override { return clWindowText; }
  TColor BorderColor() const override;
  TColor ExtraFaceColor() const override;
  TColor TabColor() const override;
  TColor TabsBackgroundColor() const override { return TabColor(); }
  TColor ExtraPanelColor() const override;
  TColor ExtraPanelLightColor() const override { return ExtraFaceColor(); }
  void PaintControlBorder(TcxCanvas* canvas, const TRect& r) const override;
  TColor ButtonFaceColor(TcxButtonState state) const override;
  TColor ButtonGlyphColor(TcxButtonState state, TColor defaultColor = clDefault) const override;
  void PaintButtonFrame(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const override;
  void PaintExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded, TColor color = clDefault) const override;
  bool PaintsExpandButtonFirst() const override { return false; }
  void PaintSmallExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded, TColor borderColor,
                              TColor color = clDefault) const override;
  Integer ExpandButtonExtent() const override { return 11; }
  Integer SmallExpandButtonExtent() const override { return ExpandButtonExtent(); }
  TColor CheckFaceColor(TcxButtonState state) const override;
  void PaintHeader(TcxCanvas* canvas, const TRect& bounds, const TRect& textAreaBounds,
                   const TcxNeighbors& neighbors, const TcxBorders& borders, TcxButtonState state,
                   TAlignment alignHorz, TcxAlignmentVert alignVert, bool multiLine, bool showEndEllipsis,
                   const String& text, TFont* font, TColor textColor, TColor bkColor,
                   const TcxDrawBackgroundEvent& onDrawBackground = nullptr, bool isLast = false) const override;
  void PaintHeaderFrame(TcxCanvas* canvas, const TRect& r, const TcxNeighbors& neighbors,
                        const TcxBorders& borders) const override;
  void PaintHeaderSection(TcxCanvas* canvas, const TRect& bounds, const TRect& textAreaBounds,
                          const TcxNeighbors& neighbors, const TcxBorders& borders, TcxButtonState state,
                          TAlignment alignHorz, TcxAlignmentVert alignVert, bool multiLine, bool showEndEllipsis,
                          const String& text, TFont* font, TColor textColor, TColor bkColor) const override;
  void PaintSortMark(TcxCanvas* canvas, const TRect& r, bool ascending) const override;
  TcxBorders HeaderFrameSides(const TcxNeighbors& neighbors) const override { return cxBordersAll; }
  Integer HeaderFrameWidth() const override { return 1; }
  bool HeaderDrawsOwnBackground() const override { return true; }
  TColor FooterSeparatorColor() const override { return HeaderBottomLineColor(); }
  void PaintFilterDropDownButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                 bool isFilterActive) const override;
  void PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const TRect& r, TcxScrollBarPart part,
                          TcxButtonState state) const override;
  void PaintSizeGrip(TcxCanvas* canvas, const TRect& r, TColor bkColor) const override;
  void PaintMonthHeader(TcxCanvas* canvas, const TRect& r, const String& text, const TcxNeighbors& neighbors,
                        const TcxStyleParams& viewParams, const TcxHeaderArrows& arrows, Integer arrowIndent,
                        const TcxDrawBackgroundEvent& onDrawBackground = nullptr) const override;
  void PaintBorder(TcxCanvas* canvas, const TRect& r) const override;
  void PaintNavigatorButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const override;
  TColor ButtonBorderColor(TcxButtonState state) const override;
  TColor TabBorderColor() const override { return HeaderBottomLineColor(); }
  TColor TabDarkBorderColor() const override { return clBtnText; }
  TColor HotFrameColor() const override;

  virtual TColor HeaderGradientBottomColor() const;
  virtual TColor HeaderBottomLineColor() const;
  virtual TColor HeaderSeparatorLightColor() const;
  virtual TColor HeaderGradientTopColor() const;
};

// ---- native style --------------------------------------------------------------------------

class TcxWinXPLookAndFeelPainter : public TcxStandardLookAndFeelPainter {
 public:
  static const TcxWinXPLookAndFeelPainter* Class();
  const char* ClassName() const override { return "TcxWinXPLookAndFeelPainter"; }
  bool InheritsFrom(TcxCustomLookAndFeelPainterClass cls) const override {
    return cls == Class() || TcxStandardLookAndFeelPainter::InheritsFrom(cls);
  }

  // The theme state of a push button (default, normal, hot, pressed, disabled).
  static Integer ButtonStateId(TcxButtonState state);
  static Integer ArrowButtonStateId(TcxArrowDirection direction, TcxButtonState state);

  TcxLookAndFeelStyle PainterStyle() const override { return lfsNative; }
  TColor BorderColor() const override;
  TColor ExtraInfoColor() const override { return 0xD5FFFF; }
  void PaintArrow(TcxCanvas* canvas, const TRect& r, TcxArrowDirection direction, TColor color) const override;
  void PaintArrowButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state, TcxArrowDirection direction,
                        bool drawFrame) const override;
  void PaintArrowButtonFrame(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const override;
  Integer ControlBorderWidth() const override;
  void PaintControlBorder(TcxCanvas* canvas, const TRect& r) const override;
  TRect AdjustGroupedButtonRect(const TRect& r, Integer count, Integer index) const override;
  Integer ButtonFrameWidth(TcxButtonState state = cxbsNormal) const override;
  TColor ButtonFaceColor(TcxButtonState state) const override;
  TRect ButtonFocusBounds(TcxCanvas* canvas, const TRect& r) const override;
  TRect ButtonGroupFrameWidths(Integer count, Integer index) const override;
  Integer ButtonTextIndent() const override { return 2; }
  Integer ButtonPressedTextShift() const override { return 0; }
  TColor ButtonGlyphColor(TcxButtonState state, TColor defaultColor = clDefault) const override;
  void PaintButton(TcxCanvas* canvas, const TRect& r, const String& caption, TcxButtonState state,
                   bool drawFrame = true, TColor color = clDefault, TColor textColor = clDefault) const override;
  void PaintExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded, TColor color = clDefault) const override;
  bool PaintsExpandButtonFirst() const override { return false; }
  void PaintGroupExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded, TcxButtonState state) const override;
  void PaintSmallExpandButton(TcxCanvas* canvas, const TRect& r, bool expanded, TColor borderColor,
                              TColor color = clDefault) const override;
  Integer ExpandButtonExtent() const override;
  Integer GroupExpandButtonExtent() const override;
  bool ButtonHotTracks() const override { return true; }
  bool HitTestGroupExpandButton(const TRect& r, const TPoint& p) const override;
  Integer SmallExpandButtonExtent() const override;
  Integer CheckFrameWidth() const override;
  TSize CheckBoxExtent() const override;
  void PaintCheckMark(TcxCanvas* canvas, const TRect& r, TcxButtonState state, bool checked,
                      TColor color) const override;
  void PaintCheckFrame(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const override;
  void PaintRadioButton(TcxCanvas* canvas, Integer x, Integer y, TcxButtonState state, bool checked, bool focused,
                        TColor bkColor, bool isDesigning = false) const override;
  TSize RadioButtonExtent() const override;
  void PaintHeader(TcxCanvas* canvas, const TRect& bounds, const TRect& textAreaBounds,
                   const TcxNeighbors& neighbors, const TcxBorders& borders, TcxButtonState state,
                   TAlignment alignHorz, TcxAlignmentVert alignVert, bool multiLine, bool showEndEllipsis,
                   const String& text, TFont* font, TColor textColor, TColor bkColor,
                   const TcxDrawBackgroundEvent& onDrawBackground = nullptr, bool isLast = false) const override;
  void PaintHeaderBackground(TcxCanvas* canvas, const TRect& r) const override {}
  void PaintHeaderSection(TcxCanvas* canvas, const TRect& bounds, const TRect& textAreaBounds,
                          const TcxNeighbors& neighbors, const TcxBorders& borders, TcxButtonState state,
                          TAlignment alignHorz, TcxAlignmentVert alignVert, bool multiLine, bool showEndEllipsis,
                          const String& text, TFont* font, TColor textColor, TColor bkColor) const override;
  void PaintSortMark(TcxCanvas* canvas, const TRect& r, bool ascending) const override;
  Integer HeaderFrameWidth() const override;
  bool HeaderItemPassNeeded() const override { return false; }
  Integer HeaderSectionFrameWidth(TcxButtonState state) const override { return HeaderFrameWidth(); }
  TRect HeaderSectionContentBounds(const TRect& r, TcxButtonState state) const override;
  bool HeaderDrawsOwnBackground() const override { return true; }
  TPoint SortMarkExtent() const override { return TPoint(7, 8); }
  void PaintFooterCell(TcxCanvas* canvas, const TRect& r, TAlignment alignHorz, TcxAlignmentVert alignVert,
                       bool multiLine, const String& text, TFont* font, TColor textColor, TColor bkColor,
                       const TcxDrawBackgroundEvent& onDrawBackground = nullptr) const override;
  Integer FooterFrameWidth() const override { return 1; }
  Integer FooterCellFrameWidth() const override;
  Integer FooterCellSpacing() const override { return 1; }
  bool FooterItemPassNeeded() const override { return false; }
  void PaintFooterFrame(TcxCanvas* canvas, const TRect& r) const override;
  void PaintFilterCloseButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const override;
  void PaintFilterDropDownButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state,
                                 bool isFilterActive) const override;
  TPoint FilterActivateButtonExtent() const override;
  TPoint FilterCloseButtonExtent() const override;
  void PaintTab(TcxCanvas* canvas, const TRect& r, const TcxBorders& borders, const String& text,
                TcxButtonState state, bool vertical, TFont* font, TColor textColor, TColor bkColor,
                bool showPrefix = false) const override;
  void PaintTabFrame(TcxCanvas* canvas, const TRect& r, TcxBorder side, const TcxBorders& borders,
                     bool vertical) const override;
  void PaintTabPane(TcxCanvas* canvas, const TRect& r, const TcxBorders& borders, bool vertical) const override;
  Integer TabItemGrowth(bool flag = false) const override;
  Integer TabRowGrowth(bool flag = false) const override;
  Integer TabFrameWidth(bool vertical) const override { return 1; }
  bool PaintsWholeTabs(bool vertical) const override;
  bool TabsHotTrack(bool vertical) const override { return PaintsWholeTabs(vertical); }
  void PaintIndicatorHeader(TcxCanvas* canvas, const TRect& r, TcxIndicatorKind kind, TColor bkColor,
                            const TcxDrawBackgroundEvent& onDrawBackground = nullptr) const override;
  void PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const TRect& r, TcxScrollBarPart part,
                          TcxButtonState state) const override;
  void PaintSizeGrip(TcxCanvas* canvas, const TRect& r, TColor bkColor) const override;
  void PaintMonthHeader(TcxCanvas* canvas, const TRect& r, const String& text, const TcxNeighbors& neighbors,
                        const TcxStyleParams& viewParams, const TcxHeaderArrows& arrows, Integer arrowIndent,
                        const TcxDrawBackgroundEvent& onDrawBackground = nullptr) const override;
  void PaintNavigatorButton(TcxCanvas* canvas, const TRect& r, TcxButtonState state) const override;
  void PaintSplitterFrame(TcxCanvas* canvas, const TRect& r, const TcxStyleParams& viewParams,
                          bool horizontal) const override;

  // Themed text of one part; bounds and bkColor are not used.
  virtual void PaintThemedText(TcxCanvas* canvas, HTHEME theme, Integer partId, Integer stateId,
                               const TRect& bounds, const TRect& textBounds, TAlignment alignHorz,
                               TcxAlignmentVert alignVert, bool multiLine, bool showEndEllipsis,
                               bool showPrefix, const String& text, TFont* font, TColor textColor,
                               TColor bkColor) const;
};

// ---- unit resources ------------------------------------------------------------------------

// One named skin painter.
class TcxExtendedStylePainterEntry : public TObject {
  KORVAN_CLASS(TcxExtendedStylePainterEntry, TObject)

 public:
  TcxExtendedStylePainterEntry(const String& name, TcxCustomLookAndFeelPainterClass painter)
      : name_(name), painter_(painter) {}
  const String& Name() const { return name_; }
  TcxCustomLookAndFeelPainterClass Painter() const { return painter_; }

 private:
  String name_;
  TcxCustomLookAndFeelPainterClass painter_;
};

// The registry of named skin painters (owns its entries). The system registers none.
class TcxExtendedStylePainters : public TcxObjectList {
 public:
  void Register(const String& name, TcxCustomLookAndFeelPainterClass painter);
  TcxExtendedStylePainterEntry* ItemAt(Integer index) const {
    return static_cast<TcxExtendedStylePainterEntry*>(ObjectAt(index));
  }
  // The first entry whose name equals name ignoring case; -1 when none (entry is then the
  // last one examined, or untouched for an empty registry).
  Integer IndexOfName(const String& name, TcxExtendedStylePainterEntry*& entry) const;
  // True and the painter of the entry; false leaves painter untouched.
  bool PainterByName(const String& name, TcxCustomLookAndFeelPainterClass& painter) const;
};

// Null before the unit starts and after it ends.
TcxExtendedStylePainters* ExtendedStylePainters();
// Image k - 1 is the glyph of indicator kind k (8 x 9 pixels, white transparent).
TCustomImageList* cxIndicatorImages();
// The 8 x 8 page-area patterns of scroll bars.
TBitmap* cxScrollBarNormalPattern();
TBitmap* cxScrollBarPressedPattern();
// Repaints both patterns from the current system colours (creating them when needed).
void RefreshScrollBarPatterns();
// The cell of one check box in the platform's check-box sheet.
TSize SystemCheckBoxSize();
TRect CellTextBounds(const TRect& r);

// ---- radio-button images -------------------------------------------------------------------

// Every combination of look, state, checked, focused and designing rendered once into a
// masked image list of 128 images, drawn by the non-native painters.
class TcxRadioButtonImageList : public TObject {
  KORVAN_CLASS(TcxRadioButtonImageList, TObject)

 public:
  TcxRadioButtonImageList();
  ~TcxRadioButtonImageList() override;
  static TcxRadioButtonImageList* CreateList() { return new TcxRadioButtonImageList(); }

  void DrawImage(TcxCanvas* canvas, Integer x, Integer y, TColor bkColor, TcxLookAndFeelKind kind,
                 TcxButtonState state, bool checked, bool focused, bool isDesigning);
  TSize ImageSize() const;
  void BuildImages();
  void Rebuild();
  // -1 for a variant not built.
  Integer ImageIndexOf(TcxLookAndFeelKind kind, TcxButtonState state, bool isDesigning, bool focused,
                       bool checked) const;
  TCustomImageList* Images() const { return images_.get(); }

  // The variant number: (state - 1) + 4 checked + 8 kind + 32 designing + 64 focused, with the
  // default-button state drawn as the normal one.
  static Integer VariantNumber(TcxLookAndFeelKind kind, TcxButtonState state, bool checked, bool focused,
                               bool isDesigning);
  // The colour of each pattern code (0 outside, 1-2 outline halves, 3-4 inner ring halves,
  // 5 body, 6 dot) for one variant.
  static void BuildColorMap(TcxLookAndFeelKind kind, TcxButtonState state, bool checked, bool focused,
                            bool isDesigning, TColor colors[7]);
  // The traced pattern, one code per pixel, row after row (W x H).
  static const std::vector<Byte>& Pattern();
  // Where the circle and its dot lie in the platform's check-box cell.
  static TPoint CircleOrigin();
  static TRect DotRect();

 private:
  std::unique_ptr<TCustomImageList> images_;
  std::unique_ptr<TBitmap> mask_;
};

TcxRadioButtonImageList* SharedRadioButtonImages();

// The painter unit's start (after the look and feel): registers the painters with the look
// and feel and creates the shared resources; its end frees them.
void InitializeCxLookAndFeelPainters();
