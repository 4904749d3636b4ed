// The drawing recipes of the standard, flat, ultra-flat and Office11 painters, checked
// pixel by pixel where their pixels are fixed: button frames, captions, expand buttons,
// check boxes, headers, footers, scroll-bar parts and tabs.
#include "tests/foundation/PainterTestUtil.h"

using namespace paintertest;

namespace {

bool SamePixels(TPaintTarget& a, TPaintTarget& b) {
  for (int y = 0; y < a.bitmap.Height(); ++y)
    for (int x = 0; x < a.bitmap.Width(); ++x)
      if (a.Px(x, y) != b.Px(x, y)) return false;
  return true;
}

struct Ring {
  TColor topLeft, bottomRight;
};

}  // namespace

TEST_F(PainterTest, ButtonFramesAndFacesByPainterAndState) {
  const struct {
    const char* what;
    const TcxCustomLookAndFeelPainter* (*painter)();
    TcxButtonState state;
    std::vector<Ring> rings;  // from the outside in
    TColor face;
  } cases[] = {
      {"standard default", Standard, cxbsDefault,
       {{0, 0}, {clBtnHighlight, cl3DDkShadow}, {cl3DLight, clBtnShadow}}, clBtnFace},
      {"standard normal", Standard, cxbsNormal, {{clBtnHighlight, cl3DDkShadow}, {cl3DLight, clBtnShadow}}, clBtnFace},
      {"standard hot", Standard, cxbsHot, {{clBtnHighlight, cl3DDkShadow}, {cl3DLight, clBtnShadow}}, clBtnFace},
      {"standard pressed", Standard, cxbsPressed, {{0, 0}, {clBtnShadow, clBtnShadow}}, clBtnFace},
      {"flat default", Flat, cxbsDefault, {{0, 0}, {clBtnHighlight, clBtnShadow}}, clBtnFace},
      {"flat normal", Flat, cxbsNormal, {{clBtnHighlight, clBtnShadow}}, clBtnFace},
      {"flat pressed", Flat, cxbsPressed, {{clBtnShadow, clBtnHighlight}}, clBtnFace},
      {"ultra flat default", UltraFlat, cxbsDefault, {{clWindowFrame, clWindowFrame}, {clWindowFrame, clWindowFrame}},
       clBtnFace},
      {"ultra flat normal", UltraFlat, cxbsNormal, {{clBtnText, clBtnText}}, clBtnFace},
      {"ultra flat hot", UltraFlat, cxbsHot, {{clHighlight, clHighlight}}, HotTrackBlendColor()},
      {"ultra flat pressed", UltraFlat, cxbsPressed, {{clHighlight, clHighlight}}, PressedBlendColor()},
      {"ultra flat disabled", UltraFlat, cxbsDisabled, {{clBtnShadow, clBtnShadow}}, clBtnFace},
      {"office normal", Office11, cxbsNormal, {{clBtnText, clBtnText}}, Office11FaceColor},
      {"office hot", Office11, cxbsHot, {{Office11HighlightFrameColor, Office11HighlightFrameColor}},
       Office11HotFaceColor},
      {"office disabled", Office11, cxbsDisabled, {{Office11DisabledGlyphColor, Office11DisabledGlyphColor}},
       clBtnFace},
      // Without themes the native painter frames like the standard one but its default
      // frame is only 2 wide: the face covers the third ring.
      {"native default, no theme", Native, cxbsDefault, {{0, 0}, {clBtnHighlight, cl3DDkShadow}}, clBtnFace},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TPaintTarget t(75, 23);
    c.painter()->PaintButton(t.canvas.get(), TRect(0, 0, 75, 23), "", c.state);
    int i = 0;
    for (const Ring& ring : c.rings) {
      EXPECT_EQ(t.Px(i, 11), Rgb(ring.topLeft)) << "ring " << i << " left";
      EXPECT_EQ(t.Px(30, i), Rgb(ring.topLeft)) << "ring " << i << " top";
      EXPECT_EQ(t.Px(74 - i, 11), Rgb(ring.bottomRight)) << "ring " << i << " right";
      EXPECT_EQ(t.Px(30, 22 - i), Rgb(ring.bottomRight)) << "ring " << i << " bottom";
      ++i;
    }
    EXPECT_EQ(t.Px(i, 11), Rgb(c.face)) << "face";
    EXPECT_EQ(t.Px(37, 11), Rgb(c.face)) << "face";
  }
}

TEST_F(PainterTest, HotStandardButtonIsDrawnLikeANormalOne) {
  TPaintTarget hot(75, 23), normal(75, 23);
  Standard()->PaintButton(hot.canvas.get(), TRect(0, 0, 75, 23), "&Open", cxbsHot);
  Standard()->PaintButton(normal.canvas.get(), TRect(0, 0, 75, 23), "&Open", cxbsNormal);
  EXPECT_TRUE(SamePixels(hot, normal));
}

TEST_F(PainterTest, ButtonCaptionSitsOnePixelHigherInShortButtons) {
  // The caption rectangle: odd heights lose their last row; below 18 rows it starts one
  // higher; pressed it moves by the painter's text shift.
  const struct {
    const TcxCustomLookAndFeelPainter* (*painter)();
    TcxButtonState state;
    Integer height;
    TRect expected;  // for the rectangle (0, 10, 60, 10 + height)
  } cases[] = {
      {Standard, cxbsNormal, 17, {0, 9, 60, 26}},  {Standard, cxbsNormal, 16, {0, 9, 60, 26}},
      {Standard, cxbsNormal, 20, {0, 10, 60, 30}}, {Standard, cxbsNormal, 21, {0, 10, 60, 30}},
      {Standard, cxbsPressed, 20, {1, 11, 61, 31}}, {UltraFlat, cxbsPressed, 20, {0, 10, 60, 30}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.painter()->ClassName() << " " << c.state << " " << c.height);
    TPaintTarget painted(64, 40), expected(64, 40);
    TRect r(0, 10, 60, 10 + c.height);
    c.painter()->PaintButton(painted.canvas.get(), r, "Wg", c.state, false);
    TcxCanvas* e = expected.canvas.get();
    e->FillRectColor(r, c.painter()->ButtonFaceColor(c.state));
    e->CurrentFont()->SetColor(c.painter()->ButtonGlyphColor(c.state, clDefault));
    e->CurrentBrush()->SetStyle(bsClear);
    e->OutputText("Wg", c.expected, ctfHCenter | ctfVCenter | ctfSingleLine | ctfShowPrefix, true);
    EXPECT_TRUE(SamePixels(painted, expected));
  }
}

TEST_F(PainterTest, StandardExpandButtonProtectsItselfFromLaterCellPainting) {
  TPaintTarget t(20, 20);
  Standard()->PaintExpandButton(t.canvas.get(), TRect(4, 4, 16, 16), false);
  t.canvas->FillRectColor(TRect(0, 0, 20, 20), clRed);
  EXPECT_EQ(t.Px(0, 0), Rgb(clRed));
  EXPECT_EQ(t.Px(4, 4), Rgb(clBtnHighlight));
  EXPECT_EQ(t.Px(15, 15), Rgb(cl3DDkShadow));
  EXPECT_EQ(t.Px(14, 14), Rgb(clBtnShadow));
  EXPECT_EQ(t.Px(6, 6), Rgb(clBtnFace));
  // The plus, centred in the face (5, 5, 14, 14): bars from 7 to 11 through (9, 9).
  EXPECT_EQ(t.Px(7, 9), Rgb(clBtnText));
  EXPECT_EQ(t.Px(9, 7), Rgb(clBtnText));
  EXPECT_EQ(t.Px(12, 9), Rgb(clBtnFace));
}

TEST_F(PainterTest, FlatAndUltraFlatExpandButtons) {
  TPaintTarget flat(11, 11), ultra(11, 11);
  Flat()->PaintExpandButton(flat.canvas.get(), TRect(0, 0, 11, 11), true, clDefault);
  UltraFlat()->PaintExpandButton(ultra.canvas.get(), TRect(0, 0, 11, 11), false, clYellow);
  EXPECT_EQ(flat.Px(0, 0), Rgb(clBtnHighlight));
  EXPECT_EQ(flat.Px(10, 10), Rgb(clBtnShadow));
  EXPECT_EQ(flat.Px(5, 3), Rgb(clBtnFace));  // a minus: no vertical bar
  EXPECT_EQ(flat.Px(5, 5), Rgb(clBtnText));
  EXPECT_EQ(ultra.Px(0, 0), Rgb(clBtnShadow));
  EXPECT_EQ(ultra.Px(2, 2), Rgb(clYellow));
  EXPECT_EQ(ultra.Px(5, 3), Rgb(clBtnText));  // a plus
}

TEST_F(PainterTest, CheckBoxFramesFacesAndMarks) {
  const struct {
    const char* what;
    const TcxCustomLookAndFeelPainter* (*painter)();
    TcxButtonState state;
    TColor outer, inner, face, mark;
  } cases[] = {
      {"standard normal", Standard, cxbsNormal, cl3DDkShadow, clBtnShadow, clWindow, clBtnText},
      {"standard pressed", Standard, cxbsPressed, cl3DDkShadow, clBtnShadow, clBtnFace, clBtnText},
      {"standard disabled", Standard, cxbsDisabled, cl3DDkShadow, clBtnShadow, clBtnFace, clGrayText},
      {"flat hot", Flat, cxbsHot, clBtnShadow, clWindow, clWindow, clBtnText},
      {"ultra flat pressed", UltraFlat, cxbsPressed, clBtnText, clBtnFace, clBtnFace, clBtnText},
      {"office hot", Office11, cxbsHot, clBtnText, Office11HotFaceColor, Office11HotFaceColor, clBtnText},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TPaintTarget t(13, 13);
    c.painter()->PaintCheckBox(t.canvas.get(), TRect(0, 0, 13, 13), c.state, true);
    EXPECT_EQ(t.Px(0, 0), Rgb(c.outer));
    EXPECT_EQ(t.Px(1, 1), Rgb(c.inner));
    EXPECT_EQ(t.Px(2, 2), Rgb(c.face));
    EXPECT_EQ(t.Px(5, 8), Rgb(c.mark));  // the bottom of the check mark
  }
}

TEST_F(PainterTest, StandardMonthHeadersSideBySideShareNoVerticalLine) {
  TPaintTarget t(100, 20);
  TcxStyleParams params;
  params.Color = clBtnFace;
  params.TextColor = clBtnText;
  Standard()->PaintMonthHeader(t.canvas.get(), TRect(0, 0, 50, 20), "", TcxNeighbors{nRight}, params, {}, 0);
  Standard()->PaintMonthHeader(t.canvas.get(), TRect(50, 0, 100, 20), "", TcxNeighbors{nLeft}, params, {}, 0);
  EXPECT_EQ(t.Px(0, 10), 0u);
  EXPECT_EQ(t.Px(99, 10), 0u);
  EXPECT_EQ(t.Px(25, 0), 0u);
  EXPECT_NE(t.Px(49, 10), 0u);
  EXPECT_NE(t.Px(50, 10), 0u);
}

TEST_F(PainterTest, HeaderNeighboursChangeOnlyCornerPixels) {
  for (auto* p : {Standard(), Flat()}) {
    TPaintTarget alone(30, 20), between(30, 20);
    p->PaintHeaderFrame(alone.canvas.get(), TRect(0, 0, 30, 20), {}, cxBordersAll);
    p->PaintHeaderFrame(between.canvas.get(), TRect(0, 0, 30, 20), {nLeft, nTop, nRight, nBottom}, cxBordersAll);
    std::vector<TPoint> changed;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 30; ++x)
        if (alone.Px(x, y) != between.Px(x, y)) changed.push_back(TPoint(x, y));
    EXPECT_EQ(changed, (std::vector<TPoint>{{29, 0}, {0, 1}, {29, 1}, {0, 18}, {29, 18}})) << p->ClassName();
    EXPECT_EQ(between.Px(29, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(between.Px(0, 1), Rgb(clBtnFace));
  }
}

TEST_F(PainterTest, UltraFlatHeaderAndFooterLines) {
  TPaintTarget header(30, 20), footer(30, 20);
  UltraFlat()->PaintHeaderFrame(header.canvas.get(), TRect(0, 0, 30, 20), {nLeft, nTop},
                                UltraFlat()->HeaderFrameSides({nLeft, nTop}));
  EXPECT_EQ(header.Px(0, 10), kWhite);
  EXPECT_EQ(header.Px(10, 0), kWhite);
  EXPECT_EQ(header.Px(29, 10), Rgb(clBtnText));
  EXPECT_EQ(header.Px(10, 19), Rgb(clBtnText));
  UltraFlat()->PaintFooterFrame(footer.canvas.get(), TRect(0, 0, 30, 20));
  EXPECT_EQ(footer.InkBounds(kWhite), TRect(0, 0, 30, 20));
  EXPECT_EQ(footer.Px(0, 10), kWhite);
  EXPECT_EQ(footer.Px(10, 0), kWhite);
  EXPECT_EQ(footer.Px(29, 0), Rgb(clBtnShadow));
  EXPECT_EQ(footer.Px(0, 19), Rgb(clBtnShadow));
}

TEST_F(PainterTest, UltraFlatGroupedButtonsSeparateOnlyTowardNeighbours) {
  const struct {
    Integer index;
    COLORREF left, right;
  } cases[] = {{0, Rgb(HotTrackBlendColor()), Rgb(clHighlight)},
               {1, Rgb(clHighlight), Rgb(clHighlight)},
               {2, Rgb(clHighlight), Rgb(HotTrackBlendColor())}};
  for (const auto& c : cases) {
    TPaintTarget t(20, 20);
    UltraFlat()->PaintBlankButton(t.canvas.get(), TRect(0, 0, 20, 20), cxbsHot, 3, c.index, clBtnShadow);
    Integer left = c.index == 0 ? 1 : 0, right = c.index == 2 ? 18 : 19;
    EXPECT_EQ(t.Px(left, 10), c.left) << c.index;
    EXPECT_EQ(t.Px(right, 10), c.right) << c.index;
    EXPECT_EQ(t.Px(10, 0), kWhite) << c.index;  // the top row stays free
  }
  TPaintTarget normal(20, 20);
  UltraFlat()->PaintBlankButton(normal.canvas.get(), TRect(0, 0, 20, 20), cxbsNormal, 3, 1, clBtnShadow);
  EXPECT_EQ(normal.Px(0, 10), Rgb(clBtnShadow));
  EXPECT_EQ(normal.Px(1, 10), Rgb(clBtnFace));
}

TEST_F(PainterTest, FilterDropDownButtons) {
  TPaintTarget pressed(15, 15), active(15, 15), hot(15, 15);
  Standard()->PaintFilterDropDownButton(pressed.canvas.get(), TRect(0, 0, 15, 15), cxbsPressed, false);
  EXPECT_EQ(pressed.Px(0, 0), Rgb(clBtnShadow));
  EXPECT_EQ(pressed.Px(14, 14), Rgb(clBtnHighlight));
  EXPECT_EQ(pressed.Px(7, 7), Rgb(clBtnText));
  Standard()->PaintFilterDropDownButton(active.canvas.get(), TRect(0, 0, 15, 15), cxbsNormal, true);
  EXPECT_EQ(active.Px(0, 0), Rgb(clBtnHighlight));
  EXPECT_EQ(active.Px(7, 7), Rgb(0xFF0000));
  UltraFlat()->PaintFilterDropDownButton(hot.canvas.get(), TRect(0, 0, 15, 15), cxbsHot, false);
  EXPECT_EQ(hot.Px(0, 0), Rgb(clHighlight));
  EXPECT_EQ(hot.Px(2, 2), Rgb(HotTrackBlendColor()));
}

TEST_F(PainterTest, StandardScrollBarParts) {
  const TRect r(0, 0, 16, 16);
  // A disabled bar shows no thumb.
  TPaintTarget thumb(16, 16);
  Standard()->PaintScrollBarPart(thumb.canvas.get(), false, r, sbpThumb, cxbsDisabled);
  EXPECT_TRUE(thumb.InkBounds(kWhite).IsEmpty());
  // Hot parts look normal.
  for (TcxScrollBarPart part : {sbpLineUp, sbpThumb, sbpPageDown}) {
    TPaintTarget hot(16, 16), normal(16, 16);
    Standard()->PaintScrollBarPart(hot.canvas.get(), true, r, part, cxbsHot);
    Standard()->PaintScrollBarPart(normal.canvas.get(), true, r, part, cxbsNormal);
    EXPECT_TRUE(SamePixels(hot, normal)) << part;
  }
  // A disabled arrow is the platform's inactive arrow.
  TPaintTarget disabledArrow(16, 16), normalArrow(16, 16);
  Standard()->PaintScrollBarPart(disabledArrow.canvas.get(), false, r, sbpLineUp, cxbsDisabled);
  Standard()->PaintScrollBarPart(normalArrow.canvas.get(), false, r, sbpLineUp, cxbsNormal);
  EXPECT_FALSE(SamePixels(disabledArrow, normalArrow));
  EXPECT_EQ(normalArrow.Px(0, 0), Rgb(clBtnFace));
  EXPECT_EQ(normalArrow.Px(15, 15), Rgb(cl3DDkShadow));
  // Page areas: the dithered patterns, the dark one while pressed.
  TPaintTarget page(16, 16), pressedPage(16, 16);
  Standard()->PaintScrollBarPart(page.canvas.get(), false, r, sbpPageUp, cxbsNormal);
  Standard()->PaintScrollBarPart(pressedPage.canvas.get(), false, r, sbpPageUp, cxbsPressed);
  EXPECT_EQ(page.Px(0, 0), Rgb(clBtnFace));
  EXPECT_EQ(page.Px(1, 0), Rgb(clBtnHighlight));
  EXPECT_EQ(page.Px(9, 9), Rgb(clBtnFace));
  EXPECT_EQ(pressedPage.Px(0, 0), 0u);
  EXPECT_EQ(pressedPage.Px(0, 1), Rgb(cl3DDkShadow));
  // An empty rectangle draws nothing.
  TPaintTarget empty(16, 16);
  Standard()->PaintScrollBarPart(empty.canvas.get(), false, TRect(5, 5, 5, 9), sbpPageUp, cxbsNormal);
  EXPECT_TRUE(empty.InkBounds(kWhite).IsEmpty());
}

TEST_F(PainterTest, FlatAndUltraFlatScrollBarButtons) {
  const TRect r(0, 0, 16, 16);
  TPaintTarget hot(16, 16), normal(16, 16);
  Flat()->PaintScrollBarPart(hot.canvas.get(), false, r, sbpThumb, cxbsHot);
  Flat()->PaintScrollBarPart(normal.canvas.get(), false, r, sbpThumb, cxbsNormal);
  EXPECT_TRUE(SamePixels(hot, normal));
  TPaintTarget arrow(16, 16);
  UltraFlat()->PaintScrollBarPart(arrow.canvas.get(), false, r, sbpLineDown, cxbsHot);
  EXPECT_EQ(arrow.Px(0, 0), Rgb(clHighlight));
  EXPECT_EQ(arrow.Px(2, 2), Rgb(HotTrackBlendColor()));
  EXPECT_EQ(arrow.Px(7, 8), Rgb(clBtnText));  // the arrow, in ButtonGlyphColor(cxbsHot)
}

TEST_F(PainterTest, Office11ScrollBarsAreStandardWithoutThemes) {
  for (TcxScrollBarPart part : {sbpLineUp, sbpLineDown, sbpThumb, sbpPageUp, sbpPageDown})
    for (TcxButtonState s : {cxbsNormal, cxbsPressed, cxbsDisabled}) {
      TPaintTarget office(17, 17), standard(17, 17);
      Office11()->PaintScrollBarPart(office.canvas.get(), true, TRect(0, 0, 17, 17), part, s);
      Standard()->PaintScrollBarPart(standard.canvas.get(), true, TRect(0, 0, 17, 17), part, s);
      EXPECT_TRUE(SamePixels(office, standard)) << part << " " << s;
    }
}

TEST_F(PainterTest, TabFramesTrimTheirCorners) {
  TPaintTarget top(20, 4), left(4, 20), ultra(4, 20);
  // A horizontal tab's top strip loses a pixel at each end and sets the bevel pixels below.
  Standard()->PaintTabFrame(top.canvas.get(), TRect(0, 0, 20, 1), bTop, cxBordersAll, false);
  EXPECT_EQ(top.Px(0, 0), kWhite);
  EXPECT_EQ(top.Px(1, 0), Rgb(clBtnHighlight));
  EXPECT_EQ(top.Px(18, 0), Rgb(clBtnHighlight));
  EXPECT_EQ(top.Px(19, 0), kWhite);
  EXPECT_EQ(top.Px(0, 1), Rgb(clBtnHighlight));
  EXPECT_EQ(top.Px(19, 1), Rgb(clBtnHighlight));
  // Its left strip starts two pixels lower when there is a top side.
  Standard()->PaintTabFrame(left.canvas.get(), TRect(0, 0, 1, 20), bLeft, cxBordersAll, false);
  EXPECT_EQ(left.Px(0, 1), kWhite);
  EXPECT_EQ(left.Px(0, 2), Rgb(clBtnHighlight));
  EXPECT_EQ(left.Px(0, 18), Rgb(clBtnHighlight));
  EXPECT_EQ(left.Px(0, 19), kWhite);
  // Ultra flat: the dark right side of a horizontal tab is one pixel shorter.
  UltraFlat()->PaintTabFrame(ultra.canvas.get(), TRect(0, 0, 1, 20), bRight, cxBordersAll, false);
  EXPECT_EQ(ultra.Px(0, 18), Rgb(clBtnText));
  EXPECT_EQ(ultra.Px(0, 19), kWhite);
}

TEST_F(PainterTest, Office11HeaderCells) {
  const TcxOffice11LookAndFeelPainter* o = TcxOffice11LookAndFeelPainter::Class();
  const TRect cell(10, 10, 60, 30);
  // A hot cell: a flat light face and a warm strip that starts one column to the left and
  // reaches one row below the cell.
  TPaintTarget hot(70, 40);
  o->PaintCellContent(hot.canvas.get(), cell, cell, cxbsHot, taLeftJustify, vaTop, false, false, "", nullptr, clBlack,
                      clRed, nullptr, false);
  EXPECT_EQ(hot.Px(30, 15), Rgb(Office11LightFaceColor));
  EXPECT_EQ(hot.Px(9, 28), Rgb(Office11HotFaceColor));
  EXPECT_EQ(hot.Px(9, 27), kWhite);
  EXPECT_EQ(hot.Px(30, 30), Rgb(Office11HotFaceDarkColor));
  EXPECT_EQ(hot.Px(30, 31), kWhite);
  // A normal cell: the gradient top colour with a four-row gradient at its bottom; the
  // background colour argument and the owner's background handler are ignored.
  TPaintTarget normal(70, 40);
  bool asked = false;
  o->PaintHeader(normal.canvas.get(), cell, cell, {}, cxBordersAll, cxbsNormal, taLeftJustify, vaTop, false, false, "",
                 nullptr, clBlack, clRed, [&](TcxCanvas*, const TRect&) { return asked = true; });
  EXPECT_FALSE(asked);
  EXPECT_EQ(normal.Px(30, 15), Rgb(o->HeaderGradientTopColor()));
  EXPECT_EQ(normal.Px(30, 28), Rgb(o->HeaderGradientBottomColor()));
  EXPECT_EQ(normal.Px(30, 29), Rgb(o->HeaderBottomLineColor()));  // the frame's bottom line
  // A footer cell (flat) has no gradient.
  TPaintTarget footer(70, 40);
  o->PaintFooterCell(footer.canvas.get(), cell, taLeftJustify, vaTop, false, "", nullptr, clBlack, clRed);
  EXPECT_EQ(footer.Px(30, 27), footer.Px(30, 15));
  // A pressed section is the normal header inverted.
  TPaintTarget section(70, 40), pressedSection(70, 40);
  o->PaintHeaderSection(section.canvas.get(), cell, cell, {}, cxBordersAll, cxbsNormal, taLeftJustify, vaTop, false,
                        false, "", nullptr, clBlack, clRed);
  o->PaintHeaderSection(pressedSection.canvas.get(), cell, cell, {}, cxBordersAll, cxbsPressed, taLeftJustify, vaTop,
                        false, false, "", nullptr, clBlack, clRed);
  for (int y = cell.Top; y < cell.Bottom; ++y)
    for (int x = cell.Left; x < cell.Right; ++x)
      ASSERT_EQ(pressedSection.Px(x, y), ~section.Px(x, y) & 0xFFFFFF) << x << "," << y;
}

TEST_F(PainterTest, Office11HeadersBetweenNeighbours) {
  const TcxOffice11LookAndFeelPainter* o = TcxOffice11LookAndFeelPainter::Class();
  TPaintTarget t(80, 24);
  o->PaintHeaderFrame(t.canvas.get(), TRect(0, 0, 40, 24), {nRight}, cxBordersAll);
  o->PaintHeaderFrame(t.canvas.get(), TRect(40, 0, 80, 24), {nLeft}, cxBordersAll);
  // The left cell ends in a dark line, the right one starts with a light line.
  EXPECT_EQ(t.Px(39, 10), Rgb(o->HeaderBottomLineColor()));
  EXPECT_EQ(t.Px(40, 10), Rgb(o->HeaderSeparatorLightColor()));
  // Both fade into the gradient at their ends.
  EXPECT_EQ(t.Px(39, 1), Rgb(o->HeaderGradientTopColor()));
  EXPECT_EQ(t.Px(39, 22), Rgb(o->HeaderGradientBottomColor()));
  EXPECT_EQ(t.Px(40, 22), Rgb(o->HeaderGradientBottomColor()));
  // A right edge without neighbour ends in the line colour with blended corners.
  TPaintTarget single(40, 24);
  o->PaintHeaderFrame(single.canvas.get(), TRect(0, 0, 40, 24), {}, cxBordersAll);
  EXPECT_EQ(single.Px(39, 10), Rgb(o->HeaderBottomLineColor()));
  EXPECT_EQ(single.Px(39, 0), Rgb(MixColorsByPercent(o->HeaderGradientTopColor(), o->HeaderBottomLineColor(), 50)));
}

TEST_F(PainterTest, Office11ExpandButtonIsAnElevenPixelBitmapBlendedIntoItsCorners) {
  TBitmap* plus = Office11CollapsedGlyph();
  ASSERT_NE(plus, nullptr);
  TPaintTarget t(20, 20, clYellow);
  Office11()->PaintExpandButton(t.canvas.get(), TRect(2, 2, 20, 20), false, clRed);
  EXPECT_TRUE(t.UntouchedOutside(TRect(2, 2, 13, 13), Rgb(clYellow)));
  EXPECT_EQ(t.Px(2, 2), Rgb(MixColorsByPercent(Office11ExpandCornerLightColor, clYellow, 25)));
  TColor dark = MixColorsByPercent(Office11ExpandCornerDarkColor, clYellow, 25);
  EXPECT_EQ(t.Px(12, 12), Rgb(dark));
  EXPECT_EQ(t.Px(2, 12), Rgb(dark));
  EXPECT_EQ(t.Px(12, 2), Rgb(dark));
  // Inside, the glyph's own pixels.
  for (int y = 1; y < 10; ++y)
    for (int x = 1; x < 10; ++x)
      ASSERT_EQ(t.Px(2 + x, 2 + y), Rgb(plus->Canvas()->Pixels(x, y))) << x << "," << y;
}
