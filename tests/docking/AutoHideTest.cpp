// Auto-hide on the manual clock with injected input: the hide button puts a control on the
// bar GetAutoHidePosition picks and the bar enters the site's frame; resting on its button
// shows it after AutoShowInterval, it slides out and back in AutoHideMovingSize steps, and
// goes back once the pointer has left it unless it holds the active control; a click on a
// button shows and activates; a tab container's button switches the shown tab; hiding and
// showing keeps auto-hide.
#include "tests/docking/DockingTestSupport.h"
#include "vcl/FormReader.h"

using namespace docktest;

namespace {

class AutoHideTest : public DockingFixture {
 protected:
  void SetUp() override {
    DockingFixture::SetUp();
    site->SetAlign(alClient);
    for (int i = 0; i < 4; ++i) p[i]->SetCaption("Panel " + IntToStr(i + 1));
  }
  void Show() {
    form->Show();
    Pump();
  }
  // The point on a control's hide-bar button, in the site's client coordinates.
  POINT ButtonPoint(TdxCustomDockControl* c) {
    TdxDockSiteHideBar* bar = site->GetHideBarByControl(c);
    for (Integer i = 0; i < bar->ControlCount(); ++i)
      if (bar->Controls(i) == c) return ClientPoint(site, Center(bar->ButtonRect(i)));
    return TPoint(-1, -1);
  }
  Integer Extent(TdxCustomDockControl* c) {
    TdxDockSiteAutoHideContainer* k = site->AutoHideContainerOf(c);
    TdxDockSiteHideBar* bar = site->GetHideBarByControl(c);
    return bar->IsVertical() ? k->Width() : k->Height();
  }
  void ClickHideButton(TdxCustomDockControl* c) {
    Advance(1000);
    S().Click(c->Handle(), ClientPoint(c, Center(c->CaptionHideButtonRect())));
  }
};

TEST_F(AutoHideTest, TheHideButtonPutsTheControlOnTheBarItsPositionPicks) {
  struct Case {
    TdxDockingType type;
    TdxAutoHidePosition position;
  };
  const Case cases[] = {{dtLeft, ahpLeft}, {dtTop, ahpTop}, {dtRight, ahpRight}, {dtBottom, ahpBottom}};
  for (const Case& k : cases) {
    SCOPED_TRACE(IntToStr(k.type));
    TearDown();
    SetUp();
    p[0]->DockTo(site, k.type, -1);
    Show();
    Integer clientWidth = site->ClientWidth(), clientHeight = site->ClientHeight();
    EXPECT_EQ(p[0]->GetAutoHidePosition(), k.position);
    ClickHideButton(p[0]);
    ASSERT_TRUE(p[0]->AutoHide());
    EXPECT_EQ(p[0]->AutoHidePosition(), k.position);
    EXPECT_EQ(site->GetControlHideBarPosition(p[0]), k.position);
    bool vertical = k.position == ahpLeft || k.position == ahpRight;
    TdxDockControlPainter* painter = site->Painter();
    // The bar enters the site's frame.
    EXPECT_EQ(site->ClientWidth(), clientWidth - (vertical ? painter->GetHideBarWidth() : 0));
    EXPECT_EQ(site->ClientHeight(), clientHeight - (vertical ? 0 : painter->GetHideBarHeight()));
    // Shown at once (slid out) until the pointer leaves it; the tree keeps its place.
    EXPECT_EQ(site->ShownControl(), p[0]);
    EXPECT_EQ(p[0]->ParentDockControl(), site);
    EXPECT_FALSE(site->IsValidChild(p[0]));
    // Back off the bar: the frame loses the bar again.
    p[0]->SetAutoHide(false);
    EXPECT_EQ(p[0]->Parent(), site);
    EXPECT_EQ(site->ClientWidth(), clientWidth);
    EXPECT_EQ(site->ClientHeight(), clientHeight);
    EXPECT_EQ(CheckInvariants(site), "");
  }
}

TEST_F(AutoHideTest, RestingOnTheButtonShowsAndLeavingHides) {
  p[0]->DockTo(site, dtLeft, -1);
  p[0]->SetWidth(210);
  ASSERT_EQ(p[0]->OriginalWidth(), 210);
  auto* manager = new TdxDockingManager(form);
  manager->SetOptions(dxDockingDefaultOptions + TdxDockingOptions{doImmediatelyHideOnAutoHide});
  Show();
  ClickHideButton(p[0]);
  ASSERT_TRUE(p[0]->AutoHide());
  EXPECT_EQ(site->ShownControl(), nullptr);
  EXPECT_FALSE(p[0]->Visible());
  POINT button = ButtonPoint(p[0]);
  // Passing over the button shows nothing.
  S().MoveMouse(site->Handle(), button);
  Advance(200);
  S().MoveMouse(site->Handle(), TPoint(200, 200));
  Advance(200);
  EXPECT_EQ(site->MovingControl(), nullptr);
  EXPECT_FALSE(p[0]->Visible());
  // Resting on it: after 300 ms it slides out, 20 pixels a step, the last clamped to 210.
  S().MoveMouse(site->Handle(), button);
  Advance(299);
  EXPECT_EQ(site->MovingControl(), nullptr);
  Advance(1);
  EXPECT_EQ(site->MovingControl(), p[0]);
  EXPECT_TRUE(p[0]->Visible());
  // (The platform's timers fire at 10 ms at the shortest.)
  std::vector<Integer> steps{Extent(p[0])};
  while (site->MovingControl()) {
    Advance(1);
    if (Extent(p[0]) != steps.back()) steps.push_back(Extent(p[0]));
  }
  EXPECT_EQ(steps, (std::vector<Integer>{20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 210}));
  EXPECT_EQ(site->ShownControl(), p[0]);
  // The pointer on the control keeps it out.
  S().MoveMouse(p[0]->Handle(), TPoint(20, 40));
  Advance(1000);
  EXPECT_EQ(site->ShownControl(), p[0]);
  // Elsewhere: at the next check it slides back in the same steps.
  S().MoveMouse(site->Handle(), TPoint(300, 200));
  Advance(499);
  EXPECT_EQ(site->MovingControl(), nullptr);
  Advance(1);
  EXPECT_EQ(site->MovingControl(), p[0]);
  std::vector<Integer> back{Extent(p[0])};
  while (site->MovingControl()) {
    Advance(1);
    if (site->MovingControl() && Extent(p[0]) != back.back()) back.push_back(Extent(p[0]));
  }
  EXPECT_EQ(back, (std::vector<Integer>{190, 170, 150, 130, 110, 90, 70, 50, 30, 10}));
  EXPECT_EQ(site->ShownControl(), nullptr);
  EXPECT_FALSE(p[0]->Visible());
  EXPECT_TRUE(p[0]->AutoHide());
}

TEST_F(AutoHideTest, AClickShowsAndActivatesAndTheActiveControlStaysOut) {
  p[0]->DockTo(site, dtRight, -1);
  p[1]->DockTo(site, dtLeft, -1);
  Show();
  ClickHideButton(p[0]);
  S().MoveMouse(site->Handle(), TPoint(200, 200));
  Advance(2000);
  ASSERT_EQ(site->ShownControl(), nullptr);
  S().Click(site->Handle(), ButtonPoint(p[0]));
  Advance(100);
  EXPECT_EQ(DockingController()->ActiveDockControl(), p[0]);
  EXPECT_TRUE(p[0]->Visible());
  EXPECT_EQ(site->ShownControl(), p[0]);
  // Holding the active control it stays out, pointer or not.
  S().MoveMouse(site->Handle(), TPoint(200, 200));
  Advance(2000);
  EXPECT_EQ(site->ShownControl(), p[0]);
  // Another control activated: it goes at the next check.
  p[1]->Activate();
  Advance(600);
  EXPECT_EQ(site->ShownControl(), nullptr);
}

TEST_F(AutoHideTest, ATabContainersButtonSwitchesTheShownTab) {
  p[0]->DockTo(site, dtLeft, -1);
  p[1]->DockTo(p[0], dtClient, -1);
  p[2]->DockTo(p[1], dtClient, -1);
  auto* tc = dynamic_cast<TdxTabContainerDockSite*>(p[0]->ParentDockControl());
  auto* manager = new TdxDockingManager(form);
  manager->SetOptions(dxDockingDefaultOptions + TdxDockingOptions{doImmediatelyHideOnAutoHide});
  Show();
  tc->SetActiveChild(p[0]);
  ClickHideButton(tc);
  ASSERT_TRUE(tc->AutoHide());
  EXPECT_FALSE(tc->HasTabs());
  // The button: P1's part first (the active one), then sections of P2 and P3 at the end.
  TdxDockSiteHideBar* bar = site->GetHideBarByControl(tc);
  TRect button = bar->ButtonRect(0);
  Integer section = 2 * site->Painter()->GetHideBarHorizInterval() + 16;
  POINT last = ClientPoint(site, TPoint(Center(button).X, button.Bottom - section / 2));
  S().MoveMouse(site->Handle(), last);
  Advance(300);
  EXPECT_EQ(tc->ActiveChild(), p[2]);
  while (site->MovingControl()) Advance(1);
  EXPECT_EQ(site->ShownControl(), tc);
  EXPECT_EQ(tc->Caption(), "Panel 3");
}

TEST_F(AutoHideTest, HidingAndShowingKeepsAutoHide) {
  p[0]->DockTo(site, dtLeft, -1);
  Show();
  ClickHideButton(p[0]);
  ASSERT_TRUE(p[0]->AutoHide());
  p[0]->SetVisible(false);
  EXPECT_FALSE(p[0]->AutoHide());
  EXPECT_TRUE(p[0]->StoredAutoHide());
  EXPECT_FALSE(site->HasVisibleHideBars());
  EXPECT_FALSE(p[0]->Visible());
  p[0]->SetVisible(true);
  EXPECT_TRUE(p[0]->AutoHide());
  EXPECT_FALSE(p[0]->StoredAutoHide());
  EXPECT_TRUE(site->HasVisibleHideBars());
  // Closing an auto-hidden panel hides it the same way.
  p[0]->DoClose();
  EXPECT_FALSE(p[0]->Visible());
  EXPECT_TRUE(p[0]->StoredAutoHide());
  p[0]->SetVisible(true);
  EXPECT_TRUE(p[0]->AutoHide());
  Pump();
}

TEST_F(AutoHideTest, AStoredFormBringsTheControlBackOnItsBar) {
  p[0]->DockTo(site, dtRight, -1);
  p[1]->DockTo(site, dtTop, -1);
  p[2]->Free();
  p[3]->Free();
  p[2] = p[3] = nullptr;
  Show();
  p[0]->SetAutoHide(true);
  Pump();
  String text = WriteComponentToText(form);
  EXPECT_NE(text.find("AutoHide = True"), String::npos);
  EXPECT_NE(text.find("AutoHidePosition = 2"), String::npos);
  TForm* copy = NewForm("Copy");
  ReadComponentFromText(copy, text);
  copy->Show();
  Pump();
  auto* readSite = dynamic_cast<TdxDockSite*>(copy->FindComponent("Site"));
  auto* readPanel = dynamic_cast<TdxDockPanel*>(copy->FindComponent("P1"));
  ASSERT_TRUE(readSite && readPanel);
  EXPECT_EQ(Tree(readSite), Tree(site));
  EXPECT_TRUE(readPanel->AutoHide());
  EXPECT_EQ(readSite->GetControlHideBarPosition(readPanel), ahpRight);
  EXPECT_EQ(readSite->HideBars(3)->ControlCount(), 1);
  EXPECT_NE(readSite->AutoHideContainerOf(readPanel), nullptr);
}

TEST_F(AutoHideTest, FreeingAnAutoHiddenControlOrItsSiteLeavesNothingBehind) {
  p[0]->DockTo(site, dtLeft, -1);
  p[1]->DockTo(site, dtRight, -1);
  Show();
  p[0]->SetAutoHide(true);  // shown at once
  p[1]->SetAutoHide(true);
  ASSERT_EQ(site->ShownControl(), p[1]);
  p[1]->Free();
  p[1] = nullptr;
  Pump();
  EXPECT_EQ(site->ShownControl(), nullptr);
  EXPECT_EQ(site->HideBars(3)->ControlCount(), 0);
  // The site goes while P1 sits on its bar: P1 stays, owned by the form, in no window.
  site->Free();
  site = nullptr;
  Pump();
  EXPECT_EQ(p[0]->Parent(), nullptr);
  Advance(1000);
}

TEST_F(AutoHideTest, SheetOfHideBarsOnAllEdges) {
  auto* manager = new TdxDockingManager(form);
  manager->SetOptions(dxDockingDefaultOptions + TdxDockingOptions{doImmediatelyHideOnAutoHide});
  auto* extra = new TdxDockPanel(form);
  extra->SetName("P5");
  extra->SetCaption("Panel 5");
  p[0]->DockTo(site, dtLeft, -1);
  p[1]->DockTo(site, dtTop, -1);
  p[2]->DockTo(site, dtRight, -1);
  p[3]->DockTo(site, dtBottom, -1);
  extra->DockTo(p[3], dtClient, -1);
  Show();
  for (TdxCustomDockControl* c : {p[0], p[1], p[2]}) c->SetAutoHide(true);
  p[3]->TabContainer()->SetAutoHide(true);
  Pump();
  for (TdxAutoHidePosition position : {ahpLeft, ahpTop, ahpRight, ahpBottom})
    EXPECT_EQ(site->GetHideBarByPosition(position)->ControlCount(), 1) << position;
  // The side bars start below the top bar; the top and bottom bars after the left bar.
  TdxDockControlPainter* painter = site->Painter();
  EXPECT_EQ(site->HideBars(2)->ButtonRect(0).Top, 4 + painter->GetHideBarHeight());
  EXPECT_EQ(site->HideBars(0)->ButtonRect(0).Left, 4 + painter->GetHideBarWidth());
  S().Snapshot(form->Handle(), "dock_autohide.png");
  // Shown out of the left bar.
  site->ShowControlImmediately(p[0]);
  Pump();
  S().Snapshot(form->Handle(), "dock_autohide_shown.png");
  EXPECT_EQ(site->ShownControl(), p[0]);
}

}  // namespace
