// The tab container: the strip and its tab rectangles with and without scrolling, the scroll
// buttons' enabling, the active tab scrolled into view, and with injected input: a pressed
// tab activates, a held scroll button repeats on the manual clock while the pointer is on it.
#include "foundation/cxGraphics.h"
#include "tests/docking/DockingTestSupport.h"

using namespace docktest;

namespace {

class TabContainerTest : public DockingFixture {
 protected:
  // Four panels as tabs of a container docked on the left of a shown form.
  void Build(std::vector<String> captions, Integer width = 185) {
    site->SetAlign(alClient);
    for (int i = 0; i < 4; ++i) p[i]->SetCaption(captions[size_t(i)]);
    p[0]->SetOriginalWidth(width);
    p[0]->DockTo(site, dtLeft, -1);
    for (int i = 1; i < 4; ++i) p[i]->DockTo(p[i - 1], dtClient, -1);
    tc = dynamic_cast<TdxTabContainerDockSite*>(p[0]->ParentDockControl());
    ASSERT_NE(tc, nullptr);
    form->Show();
    Pump();
    tc->SetActiveChild(p[0]);
    Pump();
  }
  Integer TextWidth(const String& s) { return MeasureTextWidthInFont(tc->Font(), s); }
  TdxTabContainerDockSite* tc = nullptr;
};

TEST_F(TabContainerTest, StripAndTabRectangles) {
  Build({"A", "BB", "CCC", "DDDD"}, 400);
  TdxDockControlPainter* painter = tc->Painter();
  const Integer h = painter->GetTabHorizOffset(), v = painter->GetTabVertOffset(), t = painter->GetTabsHeight();
  ASSERT_TRUE(tc->HasTabs());
  TRect w = tc->WindowRect();
  // Border 2; the strip at the bottom, 30 high; the client area above it.
  TRect strip = tc->TabsRect();
  EXPECT_EQ(strip, Rect(2, w.Bottom - 2 - t, w.Right - 2, w.Bottom - 2));
  EXPECT_EQ(tc->ClientHeight(), w.Height() - 4 - 16 - 2 - t);
  Integer x = strip.Left + h;
  for (Integer i = 0; i < 4; ++i) {
    TRect r = tc->GetTabRect(i);
    EXPECT_EQ(r, Rect(x, strip.Top + 2 * v, x + TextWidth(p[i]->Caption()) + 2 * h, strip.Bottom - v)) << i;
    x = r.Right;
  }
  // Scroll buttons at the strip's end, both disabled: all tabs fit.
  EXPECT_EQ(tc->ScrollRightButtonRect().Right, strip.Right - h);
  EXPECT_EQ(tc->ScrollRightButtonRect().Width(), 16);
  EXPECT_EQ(tc->ScrollLeftButtonRect().Right, tc->ScrollRightButtonRect().Left - 1);
  EXPECT_FALSE(tc->ScrollButtonsVisible());
  // Tabs on top: the strip under the caption, the double gap towards the client area.
  tc->SetTabsPosition(tctpTop);
  Pump();
  strip = tc->TabsRect();
  EXPECT_EQ(strip.Top, 2 + 16 + 2);
  EXPECT_EQ(tc->GetTabRect(0).Top, strip.Top + v);
  EXPECT_EQ(tc->GetTabRect(0).Bottom, strip.Bottom - 2 * v);
}

TEST_F(TabContainerTest, WithoutScrollingTooManyTabsShareTheStrip) {
  Build({"First long caption", "Second long caption", "Third long caption", "Fourth"}, 185);
  tc->SetTabsScroll(false);
  Pump();
  TRect strip = tc->TabsRect();
  Integer width = (strip.Width() - 2 * tc->Painter()->GetTabHorizOffset()) / 4;
  for (Integer i = 0; i < 4; ++i) EXPECT_EQ(tc->GetTabRect(i).Width(), width) << i;
  EXPECT_FALSE(tc->ScrollButtonsVisible());
}

TEST_F(TabContainerTest, ScrollButtonsAndTheActiveTabInView) {
  Build({"First long caption", "Second long caption", "Third long caption", "Fourth"}, 185);
  EXPECT_EQ(tc->FirstVisibleTabIndex(), 0);
  EXPECT_FALSE(tc->IsScrollLeftEnabled());
  EXPECT_TRUE(tc->IsScrollRightEnabled());
  EXPECT_TRUE(tc->ScrollButtonsVisible());
  Integer last = tc->LastVisibleTabIndex();
  EXPECT_LT(last, 3);
  // The last visible tab ends before the buttons.
  EXPECT_LE(tc->GetTabRect(last).Right, tc->ScrollLeftButtonRect().Left - tc->Painter()->GetTabHorizOffset());
  // Scrolled tabs lie before the strip's start.
  EXPECT_TRUE(tc->ScrollRight());
  EXPECT_EQ(tc->FirstVisibleTabIndex(), 1);
  EXPECT_TRUE(tc->IsScrollLeftEnabled());
  EXPECT_EQ(tc->GetTabRect(0).Right, tc->TabsRect().Left + tc->Painter()->GetTabHorizOffset());
  EXPECT_TRUE(tc->ScrollLeft());
  EXPECT_FALSE(tc->ScrollLeft());  // nothing before the first
  EXPECT_EQ(tc->FirstVisibleTabIndex(), 0);
  // Activating a tab out of view scrolls the strip until it is visible.
  tc->SetActiveChild(p[3]);
  EXPECT_LE(tc->FirstVisibleTabIndex(), 3);
  EXPECT_GE(tc->LastVisibleTabIndex(), 3);
  EXPECT_FALSE(tc->IsScrollRightEnabled());
  // A hidden child leaves no tab; with one valid child there is no strip, border or caption.
  p[1]->SetVisible(false);
  p[2]->SetVisible(false);
  p[3]->SetVisible(false);
  Pump();
  EXPECT_FALSE(tc->HasTabs());
  EXPECT_FALSE(tc->HasBorder());
  EXPECT_FALSE(tc->HasCaption());
  EXPECT_EQ(tc->ClientHeight(), tc->Height());
  EXPECT_EQ(tc->ActiveChild(), p[0]);
  EXPECT_TRUE(p[0]->HasCaption());  // the panel shows its own frame again
}

TEST_F(TabContainerTest, PressingATabActivatesIt) {
  Build({"A", "B", "C", "D"}, 300);
  POINT at = ClientPoint(tc, Center(tc->GetTabRect(2)));
  S().MouseDown(tc->Handle(), at);
  EXPECT_EQ(tc->ActiveChild(), p[2]);
  EXPECT_EQ(DockingController()->ActiveDockControl(), p[2]);
  EXPECT_EQ(tc->PressedTabIndex(), 2);
  EXPECT_TRUE(p[2]->Enabled());
  EXPECT_FALSE(p[0]->Enabled());
  S().MouseUp(tc->Handle(), at);
  EXPECT_EQ(tc->PressedTabIndex(), -1);
  EXPECT_EQ(tc->Caption(), "C");
}

TEST_F(TabContainerTest, AHeldScrollButtonRepeatsWhileThePointerIsOnIt) {
  Build({"First long caption", "Second long caption", "Third long caption", "Fourth long caption"}, 185);
  ASSERT_TRUE(tc->IsScrollRightEnabled());
  HWND wnd = tc->Handle();
  // A disabled button does nothing.
  S().MouseDown(wnd, ClientPoint(tc, Center(tc->ScrollLeftButtonRect())));
  EXPECT_FALSE(tc->IsScrollLeftPressed());
  S().MouseUp(wnd, ClientPoint(tc, Center(tc->ScrollLeftButtonRect())));
  POINT right = ClientPoint(tc, Center(tc->ScrollRightButtonRect()));
  S().MouseDown(wnd, right);
  EXPECT_TRUE(tc->IsScrollRightPressed());
  EXPECT_EQ(tc->FirstVisibleTabIndex(), 0);
  Advance(299);
  EXPECT_EQ(tc->FirstVisibleTabIndex(), 0);
  Advance(1);
  EXPECT_EQ(tc->FirstVisibleTabIndex(), 1);
  // Off the button the timer runs on without scrolling.
  S().MoveMouse(wnd, ClientPoint(tc, TPoint(tc->TabsRect().Left + 2, tc->TabsRect().Top + 2)));
  Advance(600);
  EXPECT_EQ(tc->FirstVisibleTabIndex(), 1);
  // Back on it, once per interval; releasing there scrolls once more.
  S().MoveMouse(wnd, right);
  Advance(300);
  EXPECT_EQ(tc->FirstVisibleTabIndex(), 2);
  S().MouseUp(wnd, right);
  EXPECT_FALSE(tc->IsScrollRightPressed());
  EXPECT_EQ(tc->FirstVisibleTabIndex(), 3);
  Advance(900);
  EXPECT_EQ(tc->FirstVisibleTabIndex(), 3);
}

}  // namespace
