// Pixel geometry of the glyphs every painter shares: arrows, the drop-down arrow, expand
// crosses, close crosses, check marks, sort marks and indicator glyphs.
#include "tests/foundation/PainterTestUtil.h"

using namespace paintertest;

namespace {

// The rows of ink (non-white pixels) as strings, '#' for ink.
std::vector<std::string> InkRows(TPaintTarget& t, const TRect& area) {
  std::vector<std::string> rows;
  for (int y = area.Top; y < area.Bottom; ++y) {
    std::string row;
    for (int x = area.Left; x < area.Right; ++x) row += t.Px(x, y) == kWhite ? '.' : '#';
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

TEST_F(PainterTest, ArrowPointsByDirectionSizeAndProportion) {
  const struct {
    TRect r;
    TcxArrowDirection dir;
    bool proportional;
    Integer size;
    TPoint p0, p1, p2;
  } cases[] = {
      {{0, 0, 9, 9}, adDown, true, 0, {6, 3}, {4, 5}, {2, 3}},
      {{0, 0, 9, 9}, adUp, true, 0, {2, 5}, {4, 3}, {6, 5}},
      {{0, 0, 9, 9}, adLeft, true, 0, {5, 6}, {3, 4}, {5, 2}},
      {{0, 0, 9, 9}, adRight, true, 0, {3, 2}, {5, 4}, {3, 6}},
      // Not squared: the size comes from the full width; y0 = 5 / 2 rounded away from zero.
      {{0, 0, 20, 10}, adDown, false, 0, {13, 3}, {9, 7}, {5, 3}},
      // Squared: 16 x 8 becomes the 8 x 8 square (4, 0, 12, 8).
      {{0, 0, 16, 8}, adDown, true, 0, {8, 3}, {7, 4}, {6, 3}},
      // An explicit size.
      {{0, 0, 9, 9}, adDown, true, 2, {5, 4}, {4, 5}, {3, 4}},
      // Negative coordinates: divisions truncate toward zero, the half rounds away from zero.
      {{-10, -10, 0, 0}, adDown, true, 0, {-3, -7}, {-5, -5}, {-7, -7}},
  };
  for (const auto& c : cases) {
    TPoint p[3];
    TcxCustomLookAndFeelPainter::ComputeArrowPoints(c.r, c.dir, c.proportional, c.size, p);
    EXPECT_EQ(p[0], c.p0) << c.r.Left << "," << c.r.Right << " dir " << c.dir;
    EXPECT_EQ(p[1], c.p1) << c.r.Left << "," << c.r.Right << " dir " << c.dir;
    EXPECT_EQ(p[2], c.p2) << c.r.Left << "," << c.r.Right << " dir " << c.dir;
  }
}

TEST_F(PainterTest, ArrowIsAFilledTriangleWithItsOutline) {
  TPaintTarget t(9, 9);
  Standard()->PaintArrow(t.canvas.get(), TRect(0, 0, 9, 9), adDown, clRed);
  EXPECT_EQ(InkRows(t, TRect(0, 2, 9, 7)),
            (std::vector<std::string>{".........", "..#####..", "...###...", "....#....", "........."}));
  EXPECT_EQ(t.Px(4, 4), Rgb(clRed));
}

TEST_F(PainterTest, DropDownArrowWidthIsOdd) {
  // 12 wide: w = 6 made odd = 7, h = 4.
  TPaintTarget t(12, 12);
  Standard()->PaintButtonArrow(t.canvas.get(), TRect(0, 0, 12, 12), clBlack);
  EXPECT_EQ(t.InkBounds(kWhite), TRect(2, 4, 9, 8));
  EXPECT_EQ(InkRows(t, TRect(2, 4, 9, 8)), (std::vector<std::string>{"#######", ".#####.", "..###..", "...#..."}));
}

TEST_F(PainterTest, ExpandCrossIsMinusOrPlus) {
  for (bool expanded : {true, false}) {
    TPaintTarget t(9, 9);
    Standard()->PaintExpandCross(t.canvas.get(), TRect(0, 0, 9, 9), expanded, clBlack);
    // s = 5: bars from cx - 2 to cx + 2 around the centre (4, 4).
    EXPECT_EQ(t.InkBounds(kWhite), expanded ? TRect(2, 4, 7, 5) : TRect(2, 2, 7, 7)) << expanded;
    EXPECT_EQ(t.Px(4, 2), expanded ? kWhite : 0u);
  }
}

TEST_F(PainterTest, CloseCrossIsTwoPixelsThickAndShiftsWhenPressed) {
  // Base extent 16: m = 8, made odd = 7.
  for (TcxButtonState s : {cxbsNormal, cxbsPressed}) {
    TPaintTarget t(16, 16);
    Standard()->PaintCloseCross(t.canvas.get(), TRect(0, 0, 16, 16), clBlack, s);
    Integer d = s == cxbsPressed ? 1 : 0;
    EXPECT_EQ(t.InkBounds(kWhite), ShiftedRect(TRect(4, 4, 12, 11), d, d)) << s;
    EXPECT_EQ(t.Px(4 + d, 4 + d), 0u);
    EXPECT_EQ(t.Px(11 + d, 10 + d), 0u);
    EXPECT_EQ(t.Px(4 + d, 10 + d), 0u);
    EXPECT_EQ(t.Px(7 + d, 4 + d), kWhite);
  }
}

TEST_F(PainterTest, CheckMarkIsThreePixelsThick) {
  // The face of a 13 x 13 check box inside its 2-pixel frame.
  TPaintTarget t(13, 13);
  t.canvas->CurrentBrush()->SetStyle(bsClear);
  Standard()->PaintCheckMark(t.canvas.get(), TRect(2, 2, 11, 11), cxbsNormal, true, clBlack);
  EXPECT_EQ(t.InkBounds(kWhite), TRect(3, 3, 10, 10));
  for (int x = 3; x < 10; ++x) {
    int ink = 0;
    for (int y = 0; y < 13; ++y) ink += t.Px(x, y) != kWhite;
    EXPECT_EQ(ink, 3) << "column " << x;
  }
  // The lowest point of the mark: column 5, rows 7 to 9.
  EXPECT_EQ(InkRows(t, TRect(5, 6, 6, 11)), (std::vector<std::string>{".", "#", "#", "#", "."}));
}

TEST_F(PainterTest, CheckMarkFillsTheFaceOnlyWithASolidBrush) {
  TPaintTarget t(13, 13);
  t.canvas->CurrentBrush()->SetStyle(bsSolid);
  Standard()->PaintCheckMark(t.canvas.get(), TRect(2, 2, 11, 11), cxbsDisabled, false, clBlack);
  EXPECT_EQ(t.Px(2, 2), Rgb(clBtnFace));
  EXPECT_EQ(t.Px(1, 1), kWhite);
}

TEST_F(PainterTest, SortMarksHaveALightAndADarkEdge) {
  const COLORREF light = Rgb(clBtnHighlight), dark = Rgb(clBtnShadow);
  // Standard: 8 x 7, even width. Ascending points up: right edge and base light, left dark.
  {
    TPaintTarget t(16, 16);
    Standard()->PaintSortTriangle(t.canvas.get(), TRect(0, 0, 16, 16), clBlack, clRed, true);
    EXPECT_EQ(t.InkBounds(kWhite), TRect(4, 4, 12, 11));
    EXPECT_EQ(t.Px(8, 4), Rgb(clRed));   // apex, from the light right edge
    EXPECT_EQ(t.Px(7, 4), 0u);           // apex column of the dark left edge
    EXPECT_EQ(t.Px(11, 9), Rgb(clRed));  // right edge starts one row above the base
    for (int x = 5; x <= 11; ++x) EXPECT_EQ(t.Px(x, 10), Rgb(clRed)) << x;
    EXPECT_EQ(t.Px(4, 10), 0u);  // the left edge ends on the base row (y + h, exclusive)
  }
  // Descending: right edge light, base and left edge dark.
  {
    TPaintTarget t(16, 16);
    Standard()->PaintSortTriangle(t.canvas.get(), TRect(0, 0, 16, 16), clBlack, clRed, false);
    EXPECT_EQ(t.InkBounds(kWhite), TRect(4, 4, 12, 11));
    EXPECT_EQ(t.Px(8, 10), Rgb(clRed));
    EXPECT_EQ(t.Px(7, 10), 0u);
    for (int x = 5; x <= 11; ++x) EXPECT_EQ(t.Px(x, 4), 0u) << x;
  }
  // Ultra flat: 7 x 8, odd width; the dark left edge ends one row above the base's end.
  {
    TPaintTarget t(16, 16);
    UltraFlat()->PaintSortTriangle(t.canvas.get(), TRect(0, 0, 16, 16), clBlack, clRed, true);
    EXPECT_EQ(t.InkBounds(kWhite), TRect(5, 4, 12, 12));
    for (int x = 6; x <= 11; ++x) EXPECT_EQ(t.Px(x, 11), Rgb(clRed)) << x;
    EXPECT_EQ(t.Px(5, 11), 0u);
    EXPECT_EQ(t.Px(8, 4), 0u);
  }
  // The painters' own marks use their colours.
  TPaintTarget s(16, 16);
  Standard()->PaintSortMark(s.canvas.get(), TRect(0, 0, 16, 16), true);
  EXPECT_EQ(s.Px(8, 4), light);
  EXPECT_EQ(s.Px(7, 4), dark);
}

TEST_F(PainterTest, IndicatorGlyphsAreCentredAndChosenByTheLowBits) {
  TCustomImageList* images = cxIndicatorImages();
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(images->Count(), 6);
  EXPECT_EQ(images->Width(), 8);
  EXPECT_EQ(images->Height(), 9);
  const TRect cell(0, 0, 20, 21);
  const TRect glyph(6, 6, 14, 15);
  std::vector<std::vector<std::string>> seen;
  for (TcxIndicatorKind k = ikArrow; k <= ikFilter; ++k) {
    TPaintTarget t(20, 21);
    TcxCustomLookAndFeelPainter::PaintIndicatorImage(t.canvas.get(), cell, k);
    EXPECT_TRUE(t.UntouchedOutside(glyph, kWhite)) << k;
    EXPECT_FALSE(t.InkBounds(kWhite).IsEmpty()) << k;
    seen.push_back(InkRows(t, glyph));
    TPaintTarget high(20, 21);
    TcxCustomLookAndFeelPainter::PaintIndicatorImage(high.canvas.get(), cell, k | 128);
    EXPECT_EQ(InkRows(high, glyph), seen.back()) << k;
  }
  for (size_t i = 0; i < seen.size(); ++i)
    for (size_t j = i + 1; j < seen.size(); ++j) EXPECT_NE(seen[i], seen[j]) << i << " " << j;
  // No glyph for ikNone, nor for values whose low bits name none.
  for (TcxIndicatorKind k : {ikNone, 128, 7, 127}) {
    TPaintTarget t(20, 21);
    TcxCustomLookAndFeelPainter::PaintIndicatorImage(t.canvas.get(), cell, k);
    EXPECT_TRUE(t.InkBounds(kWhite).IsEmpty()) << k;
  }
}

TEST_F(PainterTest, IndicatorHeaderWithoutKindPaintsOnlyBackgroundAndFrame) {
  TPaintTarget withKind(20, 20), without(20, 20);
  Standard()->PaintIndicatorHeader(withKind.canvas.get(), TRect(0, 0, 20, 20), ikArrow, clBtnFace);
  Standard()->PaintIndicatorHeader(without.canvas.get(), TRect(0, 0, 20, 20), ikNone, clBtnFace);
  EXPECT_EQ(without.Px(0, 0), Rgb(clBtnHighlight));
  EXPECT_EQ(without.Px(19, 19), Rgb(clBtnShadow));
  int differences = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      EXPECT_EQ(without.Px(x, y) == Rgb(clBtnFace) || x == 0 || y == 0 || x == 19 || y == 19, true);
      differences += withKind.Px(x, y) != without.Px(x, y);
    }
  EXPECT_GT(differences, 0);
}

TEST_F(PainterTest, MonthHeaderArrowsPointOutwardFromTheIndent) {
  // Standard: the area starts below the 2-pixel control border and loses a row at each end:
  // rows 3 to 18, h = 8 made odd = 9.
  TPaintTarget left(100, 20), right(100, 20);
  Standard()->PaintMonthHeaderArrows(left.canvas.get(), TRect(0, 0, 100, 20), {haLeft}, 8, clBlack);
  Standard()->PaintMonthHeaderArrows(right.canvas.get(), TRect(0, 0, 100, 20), {haRight}, 8, clBlack);
  EXPECT_EQ(left.InkBounds(kWhite), TRect(2, 5, 8, 16));
  EXPECT_EQ(right.InkBounds(kWhite), TRect(93, 5, 99, 16));
  EXPECT_EQ(left.Px(2, 10), 0u);  // the tip
  EXPECT_EQ(right.Px(98, 10), 0u);
  EXPECT_EQ(left.Px(7, 5), 0u);  // the base
  EXPECT_EQ(left.Px(7, 15), 0u);
}

TEST_F(PainterTest, GroupExpandMarkIsTwoChevronsTwoPixelsThick) {
  TPaintTarget collapsed(15, 15), expanded(15, 15);
  Flat()->PaintGroupExpandMark(collapsed.canvas.get(), TRect(0, 0, 15, 15), false, cxbsNormal);
  Flat()->PaintGroupExpandMark(expanded.canvas.get(), TRect(0, 0, 15, 15), true, cxbsDisabled);
  // Collapsed: chevrons pointing down, apexes at (7, 7) and (7, 11).
  EXPECT_EQ(InkRows(collapsed, TRect(4, 4, 11, 12)),
            (std::vector<std::string>{"##...##", ".##.##.", "..###..", "...#...", "##...##", ".##.##.", "..###..",
                                      "...#..."}));
  EXPECT_EQ(collapsed.Px(7, 7), Rgb(clBtnText));
  // Expanded: chevrons pointing up, in the glyph colour of the state.
  TRect b = expanded.InkBounds(kWhite);
  EXPECT_EQ(b.Width(), 7);
  EXPECT_EQ(b.Height(), 8);
  EXPECT_EQ(expanded.Px(7, b.Top), Rgb(clBtnShadow));
  EXPECT_EQ(expanded.Px(b.Left, b.Top), kWhite);
}

TEST_F(PainterTest, ControlBordersByPainter) {
  const struct {
    const TcxCustomLookAndFeelPainter* (*painter)();
    std::vector<std::pair<TColor, TColor>> rings;
  } cases[] = {
      {Standard, {{clBtnShadow, clBtnHighlight}, {cl3DDkShadow, cl3DLight}}},
      {Flat, {{clBtnShadow, clBtnHighlight}}},
      {UltraFlat, {{clBtnShadow, clBtnShadow}}},
      {Office11, {{Office11ControlBorderColor, Office11ControlBorderColor}}},
  };
  for (const auto& c : cases) {
    TPaintTarget t(20, 20);
    c.painter()->PaintControlBorder(t.canvas.get(), TRect(0, 0, 20, 20));
    int i = 0;
    for (const auto& ring : c.rings) {
      EXPECT_EQ(t.Px(i, 10), Rgb(ring.first)) << c.painter()->ClassName() << i;
      EXPECT_EQ(t.Px(19 - i, 10), Rgb(ring.second)) << c.painter()->ClassName() << i;
      ++i;
    }
    EXPECT_EQ(t.Px(i, 10), kWhite) << c.painter()->ClassName();
    EXPECT_EQ(Integer(c.rings.size()), c.painter()->ControlBorderWidth()) << c.painter()->ClassName();
  }
}
