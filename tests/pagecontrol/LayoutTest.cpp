// The tab layout with the fixed-size test painter: one line with navigator buttons and
// scrolling, rows (greedy fill, balancing, stretching, oversized tabs), rotation, the side of
// rows and the four tab positions; then the ultra-flat geometry.
#include "tests/pagecontrol/PCTestSupport.h"

using namespace pctest;

namespace {

class LayoutTest : public PCFixture {};

TcxPCNavigatorButtons Buttons(std::initializer_list<TcxPCNavigatorButton> b) { return TcxPCNavigatorButtons(b); }

TEST_F(LayoutTest, OneLineShowsNavigatorButtonsOnlyWhenTheTabsDoNotFit) {
  struct Case {
    const char* name;
    Integer width;
    std::vector<Integer> tabs;
    TcxPCOptions options;
    TcxPCNavigatorButtons buttons;
    Integer last;
    bool allFit;
  } cases[] = {
      {"fits", 300, {50, 50, 50}, {}, Buttons({}), 2, true},
      {"fits with close: no go dialog", 300, {50, 50, 50}, {pcoCloseButton, pcoGoDialog}, Buttons({nbClose}), 2, true},
      {"arrows", 200, {60, 60, 60, 60, 60}, {}, Buttons({nbTopLeft, nbBottomRight}), 2, false},
      {"arrows and go dialog", 200, {60, 60, 60, 60, 60}, {pcoGoDialog},
       Buttons({nbTopLeft, nbBottomRight, nbGoDialog}), 2, false},
      {"no arrows", 200, {60, 60, 60, 60, 60}, {pcoGoDialog, pcoNoArrows}, Buttons({nbGoDialog}), 3, false},
      {"everything", 200, {60, 60, 60, 60, 60}, {pcoGoDialog, pcoCloseButton},
       Buttons({nbTopLeft, nbBottomRight, nbGoDialog, nbClose}), 2, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    auto* c = MakeTabs(k.tabs, k.width);
    c->SetOptions(k.options);
    EXPECT_EQ(c->NavigatorButtons(), k.buttons);
    EXPECT_EQ(c->FirstVisibleTab(), 0);
    EXPECT_EQ(c->LastVisibleTab(), k.last);
    EXPECT_EQ(c->AllTabsFit(), k.allFit);
    // The strip ends where the navigator block begins.
    EXPECT_EQ(c->TabsArea().AlongEnd, k.width - 10 * Integer(k.buttons.Count()));
    c->Free();
  }
}

TEST_F(LayoutTest, OneLineScrollsKeepsTheFirstTabAndScrollsBackAtTheEnd) {
  auto* c = MakeTabs({60, 60, 60, 60, 60}, 200);
  EXPECT_EQ(c->NavigatorButtonState(nbTopLeft), nbsDisabled);
  EXPECT_NE(c->NavigatorButtonState(nbBottomRight), nbsDisabled);
  c->ScrollTabs(1);
  EXPECT_EQ(c->FirstVisibleTab(), 1);
  EXPECT_EQ(c->LastVisibleTab(), 3);
  c->ScrollTabs(5);  // stops where the rest fits
  EXPECT_EQ(c->FirstVisibleTab(), 2);
  EXPECT_EQ(c->LastVisibleTab(), 4);
  EXPECT_TRUE(c->AllTabsFit());
  EXPECT_EQ(c->NavigatorButtonState(nbBottomRight), nbsDisabled);
  EXPECT_EQ(c->NavigatorButtonState(nbTopLeft), nbsNormal);
  // A relayout keeps the first visible tab.
  c->LayoutChanged();
  EXPECT_EQ(c->FirstVisibleTab(), 2);
  // Wider: the strip scrolls back as long as the remaining tabs fit.
  struct Step {
    Integer width, first;
  } steps[] = {{240, 2}, {260, 1}, {320, 0}};
  for (const Step& s : steps) {
    c->SetBounds(0, 0, s.width, 200);
    EXPECT_EQ(c->FirstVisibleTab(), s.first) << s.width;
  }
  EXPECT_TRUE(c->NavigatorButtons().Empty());
  c->SetBounds(0, 0, 200, 200);
  c->MakeTabVisible(4);
  EXPECT_EQ(c->FirstVisibleTab(), 2);
  c->MakeTabVisible(0);
  EXPECT_EQ(c->FirstVisibleTab(), 0);
  c->MakeTabVisible(3);  // beyond the last shown: the fewest scrolls that show it
  EXPECT_EQ(c->FirstVisibleTab(), 1);
  c->ScrollTabs(-3);
  EXPECT_EQ(c->FirstVisibleTab(), 0);
}

TEST_F(LayoutTest, RowsFillGreedilyBalanceAndStretch) {
  struct Case {
    const char* name;
    Integer width;
    Integer gap;
    std::vector<Integer> tabs;
    bool raggedRight;
    std::vector<Integer> rows;
    std::vector<Integer> widths;  // empty: not checked
  } cases[] = {
      // Pulling the second tab down would lower the second row's cost but raise the total.
      {"kept", 250, 0, {100, 100, 100, 10}, false, {0, 0, 1, 1}, {125, 125, 227, 23}},
      {"ragged", 250, 0, {100, 100, 100, 10}, true, {0, 0, 1, 1}, {100, 100, 100, 10}},
      {"balanced", 200, 0, {50, 50, 50, 50, 90}, true, {0, 0, 0, 1, 1}, {}},
      {"gaps", 200, 10, {60, 60, 60, 60, 60}, true, {0, 0, 0, 1, 1}, {}},
      {"oversized", 250, 0, {50, 300, 50}, true, {0, 1, 2}, {50, 250, 50}},
      {"oversized stretched", 250, 0, {50, 300, 50}, false, {0, 1, 2}, {250, 250, 250}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TestPainterSettings().TabGap = k.gap;
    auto* c = MakeTabs(k.tabs, k.width);
    c->SetRaggedRight(k.raggedRight);
    c->SetMultiLine(true);
    EXPECT_EQ(Rows(c), k.rows);
    if (!k.widths.empty()) {
      EXPECT_EQ(Widths(c), k.widths);
    }
    EXPECT_TRUE(c->NavigatorButtons().Empty());
    c->Free();
  }
}

TEST_F(LayoutTest, BalancingAWideStripUsesExtendedPrecision) {
  // Costs of 2 to the power 1550 overflow a double; the balance must still compare them.
  auto* c = MakeTabs({1500, 1400, 1400, 50}, 3000);
  c->SetMultiLine(true);
  EXPECT_EQ(Rows(c), (std::vector<Integer>{0, 1, 1, 1}));
}

TEST_F(LayoutTest, RowsOfTheMainTabAndScrollOpposite) {
  // Three rows of two tabs; the main tab is in the middle row.
  auto* c = MakeTabs({100, 100, 100, 100, 100, 100}, 250, 200);
  c->SetMultiLine(true);
  c->SetTabIndex(2);
  ASSERT_EQ(c->RowCount(), 3);
  auto visibleRows = [&] {
    std::vector<Integer> r;
    for (Integer i = 0; i < c->VisibleTabCount(); ++i) r.push_back(c->VisibleTabs(i)->VisibleRow);
    return r;
  };
  // Attached tabs: the main row comes last, next to the page.
  EXPECT_EQ(visibleRows(), (std::vector<Integer>{1, 1, 2, 2, 0, 0}));
  EXPECT_EQ(c->RowsAtStart(), 3);
  EXPECT_EQ(c->VisibleTabs(2)->FullRect().Top, 40);
  c->SetScrollOpposite(true);
  EXPECT_EQ(visibleRows(), (std::vector<Integer>{0, 0, 1, 1, 2, 2}));
  EXPECT_EQ(c->RowsAtStart(), 2);
  EXPECT_EQ(c->VisibleTabs(4)->FullRect(), TRect(0, 180, 125, 200));  // on the far side
  EXPECT_FALSE(c->EndTabArea().IsEmpty());
  c->SetScrollOpposite(false);
  c->SetTabPosition(tpBottom);
  EXPECT_EQ(visibleRows(), (std::vector<Integer>{2, 2, 0, 0, 1, 1}));
  EXPECT_EQ(c->RowsAtStart(), 0);
  EXPECT_EQ(c->VisibleTabs(2)->FullRect().Top, 140);  // the main row touches the page
}

TEST_F(LayoutTest, TabPositionsAndTextDirections) {
  struct Case {
    const char* name;
    TcxTabPosition position;
    bool rotate;
    bool topToBottom;
    TRect rect;
    bool verticalText;
  } cases[] = {
      {"top", tpTop, false, false, TRect(0, 0, 60, 20), false},
      {"bottom", tpBottom, false, false, TRect(0, 180, 60, 200), false},
      {"left, bottom to top", tpLeft, false, false, TRect(0, 140, 20, 200), true},
      {"left, top to bottom", tpLeft, false, true, TRect(0, 0, 20, 60), true},
      {"right", tpRight, false, false, TRect(280, 140, 300, 200), true},
      {"top rotated", tpTop, true, false, TRect(0, 0, 20, 60), true},
      {"top rotated, top to bottom", tpTop, true, true, TRect(280, 0, 300, 60), true},
      {"left rotated", tpLeft, true, false, TRect(0, 0, 60, 20), false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    auto* c = MakeTabs({60}, 300, 200);
    c->SetTabPosition(k.position);
    c->SetRotate(k.rotate);
    if (k.topToBottom) c->SetOptions(c->Options() + pcoTopToBottomText);
    EXPECT_EQ(c->VisibleTabs(0)->FullRect(), k.rect);
    EXPECT_EQ(c->IsVerticalText(), k.verticalText);
    c->Free();
  }
}

TEST_F(LayoutTest, RotatedTabsShareTheWidestWidthUpToTheCap) {
  auto* c = MakeTabs({30, 80, 50}, 300, 200);
  c->SetRotate(true);
  EXPECT_EQ(c->RowThickness(), 80);
  EXPECT_EQ(c->VisibleTabs(1)->FullRect(), TRect(20, 0, 40, 80));
  struct Step {
    Integer cap, stored, thickness;
  } steps[] = {{60, 60, 60}, {5, 10, 10}, {0, 0, 80}, {-4, 0, 80}};
  for (const Step& s : steps) {
    c->SetMaxRotatedTabWidth(s.cap);
    EXPECT_EQ(c->MaxRotatedTabWidth(), s.stored) << s.cap;
    EXPECT_EQ(c->RowThickness(), s.thickness) << s.cap;
  }
}

TEST_F(LayoutTest, AStripWithoutLengthShowsNoTab) {
  auto* c = MakeTabs({60, 60}, 15, 200);
  c->SetOptions({pcoCloseButton});
  EXPECT_TRUE(c->VisibleTabs(0)->VisibleRect().IsEmpty());
  EXPECT_EQ(c->GetTabIndexAtPoint(TPoint(5, 5)), -1);
  c->SetBounds(0, 0, 0, 0);
  c->SetMultiLine(true);
  EXPECT_EQ(c->RowCount(), 0);
  c->Repaint();
  Pump();
}

TEST_F(LayoutTest, HidingTheLastVisibleTabLeavesNoTabShown) {
  auto* c = MakeTabs({60}, 300);
  c->Tabs()->Tabs(0)->SetVisible(false);
  EXPECT_EQ(c->FirstVisibleTab(), -1);
  EXPECT_EQ(c->VisibleTabCount(), 0);
  EXPECT_EQ(c->RowCount(), 0);
  c->Tabs()->Tabs(0)->SetVisible(true);
  EXPECT_EQ(c->FirstVisibleTab(), 0);
  EXPECT_TRUE(c->Tabs()->Tabs(0)->IsShown());
}

// ---- the ultra-flat geometry ---------------------------------------------------------------

TEST_F(LayoutTest, FlatGeometryAndTheStoredClientRectangle) {
  // The ultra-flat painter through the look and feel, the extra-flat one by its style: the
  // two share their tab geometry.
  for (TcxPCStyleID style : {0, 5}) {
    SCOPED_TRACE(style);
    auto* pc = new TcxPageControl(Form());
    pc->SetName("PageControl" + IntToStr(style));
    pc->LookAndFeel()->SetKind(lfUltraFlat);
    pc->SetStyle(style);
    pc->SetBounds(0, 0, 688, 377);
    pc->SetParent(Form());
    for (const char* caption : {"Grouping Matrix", "Pivot Matrix"}) {
      auto* sheet = new TcxTabSheet(Form());
      sheet->SetCaption(caption);
      sheet->SetPageControl(pc);
    }
    ASSERT_EQ(pc->Painter()->PainterClass(),
              style == 0 ? TcxPCUltraFlatPainter::Class() : TcxPCExtraFlatPainter::Class());
    EXPECT_TRUE(pc->NavigatorButtons().Empty());
    Integer zg = MeasureTextHeightInFont(pc->Font(), "Zg");
    Integer tabHeight = std::max(zg + 8 - 3, 17);
    EXPECT_EQ(pc->Tabs()->TabNormalHeight, tabHeight);
    EXPECT_EQ(pc->StartTabArea().Bottom, 3 + (tabHeight + 6) - 6 + 1);
    TRect client = pc->GetPageClientRect();
    EXPECT_EQ(client, TRect(0, pc->StartTabArea().Bottom + 2, 688, 377));
    EXPECT_EQ(pc->ActivePage()->BoundsRect(), client);
    // The main tab is one pixel larger on every side than where it was placed.
    TcxTab* main = pc->VisibleTabs(0);
    EXPECT_EQ(main->NormalWidth, MeasureTextWidthInFont(pc->Font(), "Grouping Matrix") + 9);
    EXPECT_EQ(main->FullRect(), TRect(5, 2, 6 + main->NormalWidth + 1, 3 + tabHeight + 1));
    EXPECT_EQ(pc->VisibleTabs(1)->FullRect().Left, 6 + main->NormalWidth + 1);
    String text = WriteComponentToText(Form());
    EXPECT_NE(text.find("ClientRectTop = " + IntToStr(client.Top)), String::npos) << text;
    EXPECT_NE(text.find("ClientRectRight = 688"), String::npos);
    EXPECT_NE(text.find("ClientRectBottom = 377"), String::npos);
    EXPECT_EQ(text.find("ClientRectLeft"), String::npos);
    // With the frame the page client shrinks by its width on the three other sides.
    pc->SetShowFrame(true);
    EXPECT_EQ(pc->GetPageClientRect(), TRect(1, client.Top, 687, 376));
    pc->Free();
  }
}

TEST_F(LayoutTest, UltraFlatNavigatorBlock) {
  auto* c = MakeTabs({}, 300, 100, 6);
  for (Integer i = 0; i < 12; ++i) c->Tabs()->Add("Tab number " + IntToStr(i));
  auto* painter = static_cast<TcxPCStandardPainter*>(c->Painter());
  c->SetOptions({pcoGoDialog});
  ASSERT_EQ(c->NavigatorButtons(), Buttons({nbTopLeft, nbBottomRight, nbGoDialog}));
  const auto& pos = painter->NavigatorButtonPositions();
  ASSERT_EQ(pos.size(), 3u);
  // The go-dialog button is next to the tabs, the arrows 15 wide and 1 apart at the right end.
  EXPECT_EQ(pos[0].Button, nbGoDialog);
  EXPECT_EQ(pos[0].Bounds, TRect(300 - 1 - 15 - 1 - 15 - 1 - 11, 3, 300 - 1 - 15 - 1 - 15 - 1, 18));
  EXPECT_EQ(pos[1].Bounds, TRect(300 - 1 - 15 - 1 - 15, 3, 300 - 1 - 15 - 1, 18));
  EXPECT_EQ(pos[2].Bounds, TRect(300 - 1 - 15, 3, 300 - 1, 18));
  EXPECT_EQ(c->TabsArea().AlongEnd, 300 - 6 - (11 + 1 + 15 + 1 + 15 + 1));
  c->SetOptions({pcoGoDialog, pcoCloseButton});
  ASSERT_EQ(pos.size(), 4u);
  EXPECT_EQ(pos[3].Button, nbClose);
  EXPECT_EQ(pos[3].Bounds.Left - pos[2].Bounds.Right, 3);
  EXPECT_EQ(pos[3].Bounds.Width(), 14);
  // At the near end the order turns round: the close button outermost, the go dialog next to
  // the tabs, and the strip starts after the block.
  c->SetNavigatorPosition(npLeftTop);
  ASSERT_EQ(pos.size(), 4u);
  EXPECT_EQ(pos[0].Button, nbClose);
  EXPECT_EQ(pos[0].Bounds.Left, 1);
  EXPECT_EQ(pos[3].Button, nbGoDialog);
  EXPECT_EQ(c->TabsArea().AlongStart, 6 + pos[3].Bounds.Right);
  // Tabs at the bottom: the block keeps its indent from the bottom edge.
  c->SetTabPosition(tpBottom);
  EXPECT_EQ(pos[0].Bounds.Bottom, 100 - 3);
}

}  // namespace
