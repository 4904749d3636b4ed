// Sizes, offsets, colours and flags of each painter class, and how the look and feel picks them.
#include "tests/foundation/PainterTestUtil.h"

using namespace paintertest;

namespace {

struct MetricRow {
  const char* name;
  const TcxCustomLookAndFeelPainter* (*painter)();
  TcxLookAndFeelStyle style;
  Integer controlBorder, frameDefault, frameNormal, textIndent, pressedShift, expandExtent, smallExpandExtent;
  Integer headerFrame, footerCellSpacing, checkFrame;
  TPoint sortMark, closeButton;
  bool hotTracks, expandFirst, ownHeaderBackground, itemPasses;
  TColor borderColor, extraInfoColor;
};

// The native painter without a theme engine shows its fallback values.
const MetricRow kMetrics[] = {
    {"standard", Standard, lfsStandard, 2, 3, 2, 1, 1, 12, 9, 1, 1, 2, {8, 7}, {16, 14}, false, true, false, true,
     0x0000FF, clWindow},
    {"flat", Flat, lfsFlat, 1, 2, 1, 1, 1, 11, 9, 1, 1, 2, {8, 7}, {16, 14}, false, true, false, true, 0x0000FF,
     0xD5FFFF},
    {"ultra flat", UltraFlat, lfsUltraFlat, 1, 2, 1, 2, 0, 11, 9, 1, 2, 2, {7, 8}, {16, 15}, true, true, false, true,
     clBtnShadow, 0xD5FFFF},
    {"office 2003", Office11, lfsOffice11, 1, 2, 1, 2, 0, 11, 11, 1, 2, 2, {7, 8}, {16, 15}, true, false, true, true,
     clDefault /* scheme colour, checked below */, 0xD5FFFF},
    {"native, no theme", Native, lfsNative, 2, 2, 2, 2, 0, 12, 9, 1, 1, 2, {7, 8}, {16, 14}, true, false, true, false,
     clBtnShadow, 0xD5FFFF},
};

}  // namespace

TEST_F(PainterTest, EachPainterHasItsMetricsAndFlags) {
  for (const MetricRow& m : kMetrics) {
    SCOPED_TRACE(m.name);
    const TcxCustomLookAndFeelPainter* p = m.painter();
    EXPECT_EQ(p->PainterStyle(), m.style);
    EXPECT_EQ(p->ControlBorderWidth(), m.controlBorder);
    EXPECT_EQ(p->ButtonFrameWidth(cxbsDefault), m.frameDefault);
    for (TcxButtonState s : {cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled}) EXPECT_EQ(p->ButtonFrameWidth(s), m.frameNormal);
    EXPECT_EQ(p->ButtonTextIndent(), m.textIndent);
    EXPECT_EQ(p->ButtonPressedTextShift(), m.pressedShift);
    EXPECT_EQ(p->ExpandButtonExtent(), m.expandExtent);
    EXPECT_EQ(p->SmallExpandButtonExtent(), m.smallExpandExtent);
    EXPECT_EQ(p->HeaderFrameWidth(), m.headerFrame);
    EXPECT_EQ(p->FooterCellSpacing(), m.footerCellSpacing);
    EXPECT_EQ(p->CheckFrameWidth(), m.checkFrame);
    EXPECT_EQ(p->SortMarkExtent(), m.sortMark);
    EXPECT_EQ(p->SortMarkAreaSize(), TPoint(16, m.sortMark.Y));
    EXPECT_EQ(p->FilterCloseButtonExtent(), m.closeButton);
    EXPECT_EQ(p->ButtonHotTracks(), m.hotTracks);
    EXPECT_EQ(p->PaintsExpandButtonFirst(), m.expandFirst);
    EXPECT_EQ(p->HeaderDrawsOwnBackground(), m.ownHeaderBackground);
    EXPECT_EQ(p->HeaderItemPassNeeded(), m.itemPasses);
    EXPECT_EQ(p->FooterItemPassNeeded(), m.itemPasses);
    if (m.borderColor != clDefault) {
      EXPECT_EQ(p->BorderColor(), m.borderColor);
    }
    EXPECT_EQ(p->ExtraInfoColor(), m.extraInfoColor);
    EXPECT_EQ(p->GroupExpandButtonExtent(), 15);
    EXPECT_EQ(p->FilterActivateButtonExtent(), TPoint(13, 13));
    EXPECT_EQ(p->CheckBoxExtent(), TSize(13, 13));
  }
}

TEST_F(PainterTest, StandardHeaderSectionsAreThinnerWhenPressed) {
  for (TcxButtonState s : {cxbsDefault, cxbsNormal, cxbsHot, cxbsDisabled})
    EXPECT_EQ(Standard()->HeaderSectionFrameWidth(s), 2);
  EXPECT_EQ(Standard()->HeaderSectionFrameWidth(cxbsPressed), 1);
  EXPECT_EQ(Standard()->HeaderSectionContentBounds(TRect(0, 0, 20, 10), cxbsNormal), TRect(2, 2, 18, 8));
  EXPECT_EQ(Standard()->HeaderSectionContentBounds(TRect(0, 0, 20, 10), cxbsPressed), TRect(1, 1, 19, 9));
  EXPECT_EQ(Flat()->HeaderSectionContentBounds(TRect(0, 0, 20, 10), cxbsPressed), TRect(1, 1, 19, 9));
  EXPECT_EQ(Flat()->HeaderSectionTextBounds(TRect(0, 0, 20, 10), cxbsPressed), TRect(1, 1, 21, 11));
  EXPECT_EQ(Flat()->HeaderSectionTextBounds(TRect(0, 0, 20, 10), cxbsHot), TRect(0, 0, 20, 10));
}

TEST_F(PainterTest, LookAndFeelKindOfEveryStyle) {
  const struct {
    Integer style;
    TcxLookAndFeelKind kind;
  } cases[] = {{lfsFlat, lfFlat},         {lfsStandard, lfStandard}, {lfsUltraFlat, lfUltraFlat},
               {lfsNative, lfStandard},   {lfsOffice11, lfOffice11}, {7, lfStandard}};
  for (const auto& c : cases) EXPECT_EQ(LookAndFeelKindOfStyle(c.style), c.kind) << c.style;
}

TEST_F(PainterTest, LookAndFeelChoosesThePainterOfItsKind) {
  const struct {
    TcxLookAndFeelKind kind;
    const TcxCustomLookAndFeelPainter* (*painter)();
  } cases[] = {{lfFlat, Flat}, {lfStandard, Standard}, {lfUltraFlat, UltraFlat}, {lfOffice11, Office11}};
  std::unique_ptr<TcxLookAndFeel> lf(new TcxLookAndFeel(nullptr));
  EXPECT_EQ(lf->EffectivePainter(), UltraFlat());
  for (const auto& c : cases) {
    lf->SetKind(c.kind);
    EXPECT_EQ(lf->EffectivePainter(), c.painter()) << c.kind;
  }
  // Native style without themes keeps the painter of the kind.
  lf->SetNativeStyle(true);
  EXPECT_EQ(lf->EffectivePainter(), Office11());
}

TEST_F(PainterTest, PainterClassesKnowTheirAncestors) {
  EXPECT_TRUE(Office11()->InheritsFrom(UltraFlat()));
  EXPECT_TRUE(Native()->InheritsFrom(Standard()));
  EXPECT_TRUE(Flat()->InheritsFrom(TcxCustomLookAndFeelPainter::Class()));
  EXPECT_FALSE(UltraFlat()->InheritsFrom(Office11()));
  EXPECT_FALSE(Office11()->InheritsFrom(Standard()));
}

TEST_F(PainterTest, BaseAndStandardColours) {
  const struct {
    TColor (TcxCustomLookAndFeelPainter::*op)() const;
    TColor expected;
  } cases[] = {
      {&TcxCustomLookAndFeelPainter::ContentColor, clWindow},
      {&TcxCustomLookAndFeelPainter::FilterBoxColor, clBtnShadow},
      {&TcxCustomLookAndFeelPainter::FilterBoxTextColor, clBtnHighlight},
      {&TcxCustomLookAndFeelPainter::FooterColor, clBtnFace},
      {&TcxCustomLookAndFeelPainter::GridLineColor, clBtnShadow},
      {&TcxCustomLookAndFeelPainter::RowSeparatorColor, clBtnShadow},
      {&TcxCustomLookAndFeelPainter::GroupByBoxColor, clBtnShadow},
      {&TcxCustomLookAndFeelPainter::GroupByBoxTextColor, clBtnFace},
      {&TcxCustomLookAndFeelPainter::HeaderBackgroundColor, clBtnShadow},
      {&TcxCustomLookAndFeelPainter::PreviewTextColor, 0xFF0000},
      {&TcxCustomLookAndFeelPainter::CalendarSelectedDayTextColor, clHighlightText},
      {&TcxCustomLookAndFeelPainter::ChartGridLinesColor, 0xCFCFCF},
      {&TcxCustomLookAndFeelPainter::ExtraLightBlueColor, 0xF0CAA6},
      {&TcxCustomLookAndFeelPainter::ExtraNavyColor, 0x800000},
      {&TcxCustomLookAndFeelPainter::FooterSeparatorColor, clBtnShadow},
      {&TcxCustomLookAndFeelPainter::ProgressBarCaptionColor, clDefault},
  };
  for (const auto& c : cases)
    for (auto* p : {Standard(), Flat(), UltraFlat()}) EXPECT_EQ((p->*c.op)(), c.expected) << p->ClassName();
}

TEST_F(PainterTest, Office11ColoursComeFromTheColourSet) {
  const TcxOffice11LookAndFeelPainter* o = TcxOffice11LookAndFeelPainter::Class();
  TColor top = MixColorsByPercent(Office11LightFaceColor, Office11DarkFaceColor, 50);
  const struct {
    TColor actual, expected;
    const char* what;
  } cases[] = {
      {o->HeaderColor(), top, "header"},
      {o->HeaderGradientTopColor(), top, "gradient top"},
      {o->HeaderGradientBottomColor(), Office11DarkFaceColor, "gradient bottom"},
      {o->FooterColor(), Office11FaceColor, "footer"},
      {o->FooterTextColor(), clBtnText, "footer text"},
      {o->FooterSeparatorColor(), Office11HeaderLineColor, "footer separator"},
      {o->GroupColor(), Office11GroupRowColor, "group"},
      {o->GroupByBoxColor(), Office11GroupByBoxColor, "group-by box"},
      {o->HeaderBackgroundColor(), Office11GroupByBoxColor, "header background"},
      {o->GroupByBoxTextColor(), Office11LightFaceColor, "group-by box text"},
      {o->TabsBackgroundColor(), Office11TabFaceColor, "tabs background"},
      {o->ExtraPanelLightColor(), Office11InnerFaceColor, "panel light"},
      {o->BorderColor(), Office11OuterBorderColor, "border"},
      {o->CalendarSelectedDayTextColor(), clWindowText, "selected day text"},
      {o->ButtonBorderColor(cxbsNormal), Office11HeaderLineColor, "button border normal"},
      {o->ButtonBorderColor(cxbsHot), Office11HighlightFrameColor, "button border hot"},
      {o->TabBorderColor(), Office11HeaderLineColor, "tab border"},
      {o->TabDarkBorderColor(), clBtnText, "tab dark border"},
      {o->ButtonFaceColor(cxbsDefault), Office11FaceColor, "face default"},
      {o->ButtonFaceColor(cxbsHot), Office11HotFaceColor, "face hot"},
      {o->ButtonFaceColor(cxbsPressed), Office11PressedFaceColor, "face pressed"},
      {o->ButtonFaceColor(cxbsDisabled), clBtnFace, "face disabled"},
      {o->CheckFaceColor(cxbsNormal), clWindow, "check normal"},
      {o->CheckFaceColor(cxbsHot), Office11HotFaceColor, "check hot"},
      {o->ButtonGlyphColor(cxbsNormal, clRed), Office11GlyphColor, "glyph ignores the default colour"},
      {o->ButtonGlyphColor(cxbsDisabled), Office11DisabledGlyphColor, "glyph disabled"},
      // No scheme in use: a pressed glyph is the highlight text colour.
      {o->ButtonGlyphColor(cxbsPressed), clHighlightText, "glyph pressed"},
  };
  ASSERT_FALSE(Office11SchemeColorsInUse());
  for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;
}

TEST_F(PainterTest, ButtonColoursByState) {
  const struct {
    const TcxCustomLookAndFeelPainter* painter;
    TcxButtonState state;
    TColor face, glyph;
  } cases[] = {
      {Standard(), cxbsHot, clBtnFace, clBtnText},
      {Standard(), cxbsDisabled, clBtnFace, clBtnShadow},
      {UltraFlat(), cxbsHot, HotTrackBlendColor(), clBtnText},
      {UltraFlat(), cxbsPressed, PressedBlendColor(), clHighlightText},
      {UltraFlat(), cxbsDisabled, clBtnFace, clBtnShadow},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.painter->ButtonFaceColor(c.state), c.face) << c.painter->ClassName() << c.state;
    EXPECT_EQ(c.painter->ButtonGlyphColor(c.state, clDefault), c.glyph) << c.painter->ClassName() << c.state;
  }
  EXPECT_EQ(Standard()->ButtonGlyphColor(cxbsNormal, clRed), clRed);
  EXPECT_EQ(Standard()->ButtonGlyphColor(cxbsDisabled, clRed), clBtnShadow);
  EXPECT_EQ(UltraFlat()->ButtonGlyphState(cxbsPressed), cxbsNormal);
  EXPECT_EQ(Standard()->ButtonGlyphState(cxbsPressed), cxbsPressed);
  EXPECT_EQ(TcxUltraFlatLookAndFeelPainter::Class()->ButtonBorderColor(cxbsNormal), clBtnShadow);
  EXPECT_EQ(TcxUltraFlatLookAndFeelPainter::Class()->ButtonBorderColor(cxbsDisabled), clHighlight);
}

TEST_F(PainterTest, RectangleOperations) {
  // Focus bounds: deflated by 4 (ultra flat 3), the rectangle itself when that is empty.
  EXPECT_EQ(Standard()->ButtonFocusBounds(nullptr, TRect(0, 0, 6, 6)), TRect(0, 0, 6, 6));
  EXPECT_EQ(Standard()->ButtonFocusBounds(nullptr, TRect(0, 0, 10, 9)), TRect(4, 4, 6, 5));
  EXPECT_EQ(UltraFlat()->ButtonFocusBounds(nullptr, TRect(0, 0, 10, 9)), TRect(3, 3, 7, 6));
  EXPECT_EQ(UltraFlat()->ButtonFocusBounds(nullptr, TRect(0, 0, 6, 6)), TRect(0, 0, 6, 6));
  // Grouped button frames: the outer ends are 2 wide.
  EXPECT_EQ(UltraFlat()->ButtonGroupFrameWidths(3, 0), TRect(2, 2, 1, 2));
  EXPECT_EQ(UltraFlat()->ButtonGroupFrameWidths(3, 1), TRect(1, 2, 1, 2));
  EXPECT_EQ(UltraFlat()->ButtonGroupFrameWidths(3, 2), TRect(1, 2, 2, 2));
  EXPECT_EQ(UltraFlat()->ButtonGroupFrameWidths(1, 0), TRect(2, 2, 1, 2));
  EXPECT_EQ(Standard()->ButtonGroupFrameWidths(3, 1), TRect(2, 2, 2, 2));
  // Footer cells: frame, then 2 more for the text.
  EXPECT_EQ(Standard()->FooterCellContentBounds(TRect(0, 0, 30, 20)), TRect(1, 1, 29, 19));
  EXPECT_EQ(Standard()->FooterCellTextBounds(TRect(0, 0, 30, 20)), TRect(3, 3, 27, 17));
  EXPECT_EQ(TcxCustomLookAndFeelPainter::Class()->FooterCellTextBounds(TRect(0, 0, 30, 20)), TRect(2, 2, 28, 18));
  EXPECT_EQ(CellTextBounds(TRect(0, 0, 10, 10)), TRect(2, 2, 8, 8));
  // Header bounds.
  EXPECT_EQ(Standard()->HeaderTextBounds(TRect(0, 0, 40, 20), TcxBorders{bLeft, bBottom}), TRect(1, 0, 40, 19));
  EXPECT_EQ(UltraFlat()->HeaderContentBounds(TRect(10, 10, 40, 20), TcxNeighbors{nLeft, nTop}, cxBordersAll),
            TRect(9, 9, 40, 20));
  EXPECT_EQ(Standard()->HeaderContentBounds(TRect(10, 10, 40, 20), TcxNeighbors{nLeft}, cxBordersAll),
            TRect(10, 10, 40, 20));
  EXPECT_EQ(Standard()->HeaderHeightForText(13), 2 * (1 + 2) + 13);
  EXPECT_EQ(TcxCustomLookAndFeelPainter::Class()->HeaderHeightForText(13), 17);
}

TEST_F(PainterTest, HeaderFrameSidesByNeighbours) {
  const struct {
    TcxNeighbors neighbors;
    TcxBorders ultraFlat;
  } cases[] = {
      {{}, cxBordersAll},
      {{nLeft}, {bTop, bRight, bBottom}},
      {{nLeft, nTop}, {bRight, bBottom}},
      {{nRight, nBottom}, cxBordersAll},
      {{nLeft, nTop, nRight, nBottom}, {bRight, bBottom}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UltraFlat()->HeaderFrameSides(c.neighbors), c.ultraFlat);
    EXPECT_EQ(Office11()->HeaderFrameSides(c.neighbors), cxBordersAll);
    EXPECT_EQ(Standard()->HeaderFrameSides(c.neighbors), cxBordersAll);
  }
  EXPECT_EQ(UltraFlat()->FooterFrameSides(), (TcxBorders{bRight, bBottom}));
  EXPECT_EQ(Flat()->FooterFrameSides(), cxBordersAll);
}

TEST_F(PainterTest, HeaderWidthForTextAddsPaddingAndFrames) {
  TPaintTarget t(10, 10);
  TFont font;
  font.SetName("Tahoma");
  font.SetSize(8);
  t.canvas->ApplyFont(&font);
  Integer text = t.canvas->MeasureTextWidth("Quantity");
  EXPECT_EQ(Standard()->HeaderWidthForText(t.canvas.get(), cxBordersAll, "Quantity", &font), text + 6);
  EXPECT_EQ(Standard()->HeaderWidthForText(t.canvas.get(), TcxBorders{bLeft}, "Quantity", &font), text + 5);
  EXPECT_EQ(TcxCustomLookAndFeelPainter::Class()->HeaderWidthForText(t.canvas.get(), cxBordersAll, "Quantity", &font),
            text + 4);
}

TEST_F(PainterTest, ScrollBarArrowDirections) {
  using P = TcxCustomLookAndFeelPainter;
  EXPECT_EQ(P::ScrollBarArrowDirection(false, sbpLineUp), adUp);
  EXPECT_EQ(P::ScrollBarArrowDirection(false, sbpLineDown), adDown);
  EXPECT_EQ(P::ScrollBarArrowDirection(false, sbpThumb), adDown);
  EXPECT_EQ(P::ScrollBarArrowDirection(true, sbpLineUp), adLeft);
  EXPECT_EQ(P::ScrollBarArrowDirection(true, sbpLineDown), adRight);
}
