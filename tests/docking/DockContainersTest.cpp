// Docking onto panels and containers, by code: the tab and side containers the targets
// build, insertion next to a panel inside a container, the nesting options, containers
// dissolving into their last child and handing their children over; the side containers'
// size distribution, split resizing and maximizing; the active child index of a stored form.
#include "docking/dxDockConsts.h"
#include "foundation/cxGraphics.h"
#include "rtl/SysUtils.h"
#include "tests/docking/DockingTestSupport.h"
#include "vcl/FormReader.h"

using namespace docktest;

namespace {

class DockContainersTest : public DockingFixture {
 protected:
  TdxDockingManager* Manager() {
    if (!manager_ || managerForm_ != form) manager_ = new TdxDockingManager(form);
    managerForm_ = form;
    return manager_;
  }

 private:
  TdxDockingManager* manager_ = nullptr;
  TForm* managerForm_ = nullptr;
};

TEST_F(DockContainersTest, DockingOntoPanelsAndContainersBuildsContainers) {
  struct Case {
    const char* name;
    TdxDockingOptions options;
    std::vector<DockStep> steps;
    const char* tree;
  };
  const TdxDockingOptions d = dxDockingDefaultOptions;
  TdxDockingOptions sideInSide = d;
  sideInSide.Include(doSideContainerCanInSideContainer);
  TdxDockingOptions sideInTab = d;
  sideInTab.Include(doSideContainerCanInTabContainer);
  TdxDockingOptions noTabInSide = d;
  noTabInSide.Exclude(doTabContainerCanInSideContainer);
  const Case cases[] = {
      {"client onto a panel makes a tab container, target first", d,
       {{0, "Site", dtLeft}, {1, "P1", dtClient}}, "Site(L:client,T(P1:client,P2:client):left)"},
      {"right onto a panel makes a horizontal container, new one second", d,
       {{0, "Site", dtLeft}, {1, "P1", dtRight}}, "Site(L:client,H(P1:left,P2:left):left)"},
      {"left onto a panel puts the new one first", d,
       {{0, "Site", dtLeft}, {1, "P1", dtLeft}}, "Site(L:client,H(P2:left,P1:left):left)"},
      {"top and bottom make vertical containers", d,
       {{0, "Site", dtBottom}, {1, "P1", dtTop}, {2, "P1", dtBottom}},
       "Site(L:client,V(P2:top,P1:top,P3:top):bottom)"},
      {"tail side beside a panel in a container inserts right after it", d,
       {{0, "Site", dtLeft}, {1, "P1", dtRight}, {2, "P1", dtRight}},
       "Site(L:client,H(P1:left,P3:left,P2:left):left)"},
      {"head side beside a panel in a container inserts right before it", d,
       {{0, "Site", dtLeft}, {1, "P1", dtRight}, {2, "P2", dtLeft}},
       "Site(L:client,H(P1:left,P3:left,P2:left):left)"},
      {"across a side container is refused by default", d,
       {{0, "Site", dtLeft}, {1, "P1", dtRight}, {2, "P2", dtTop}},
       "Site(L:client,H(P1:left,P2:left):left)"},
      {"across a side container with side-in-side makes a nested container", sideInSide,
       {{0, "Site", dtLeft}, {1, "P1", dtRight}, {2, "P2", dtTop}},
       "Site(L:client,H(P1:left,V(P3:top,P2:top):left):left)"},
      {"client onto a panel in a side container makes a tab container there", d,
       {{0, "Site", dtLeft}, {1, "P1", dtRight}, {2, "P2", dtClient}},
       "Site(L:client,H(P1:left,T(P2:client,P3:client):left):left)"},
      {"client in a side container is refused without tab-in-side", noTabInSide,
       {{0, "Site", dtLeft}, {1, "P1", dtRight}, {2, "P2", dtClient}},
       "Site(L:client,H(P1:left,P2:left):left)"},
      {"client onto a panel in a tab container inserts after it", d,
       {{0, "Site", dtLeft}, {1, "P1", dtClient}, {2, "P1", dtClient}},
       "Site(L:client,T(P1:client,P3:client,P2:client):left)"},
      {"side onto a panel in a tab container is refused by default", d,
       {{0, "Site", dtLeft}, {1, "P1", dtClient}, {2, "P1", dtRight}},
       "Site(L:client,T(P1:client,P2:client):left)"},
      {"side onto a panel in a tab container with side-in-tab", sideInTab,
       {{0, "Site", dtLeft}, {1, "P1", dtClient}, {2, "P1", dtRight}},
       "Site(L:client,T(H(P1:left,P3:left):client,P2:client):left)"},
      {"side onto the tab container wraps it", d,
       {{0, "Site", dtLeft}, {1, "P1", dtClient}, {2, "@1", dtBottom}},
       "Site(L:client,V(T(P1:client,P2:client):top,P3:top):left)"},
      {"a container left with one child is replaced by it", d,
       {{0, "Site", dtLeft}, {1, "P1", dtClient}, {1, "", dtNone}}, "Site(L:client,P1:left)"},
      {"the remaining child takes the container's index and type", d,
       {{0, "Site", dtLeft}, {3, "Site", dtTop}, {1, "P1", dtBottom}, {0, "", dtNone}},
       "Site(L(L:client,P2:left):client,P4:top)"},
      {"a side container with three children keeps itself", d,
       {{0, "Site", dtRight}, {1, "P1", dtRight}, {2, "P2", dtRight}, {1, "", dtNone}},
       "Site(L:client,H(P1:left,P3:left):right)"},
      {"moving inside the own container only changes the place", d,
       {{0, "Site", dtLeft}, {1, "P1", dtRight}, {2, "P2", dtRight}, {0, "@1", dtRight}},
       "Site(L:client,H(P2:left,P3:left,P1:left):left)"},
      {"a tab container docked onto another hands its tabs over in order", d,
       {{0, "Site", dtLeft},
        {1, "P1", dtClient},
        {2, "Site", dtBottom},
        {3, "P3", dtClient},
        {-1, "@01", dtClient, "@1"}},
       "Site(L:client,T(P1:client,P2:client,P3:client,P4:client):left)"},
      {"a side container docked onto a tab container hands its panels over as tabs", d,
       {{0, "Site", dtLeft},
        {1, "P1", dtClient},
        {2, "Site", dtBottom},
        {3, "P3", dtRight},
        {-1, "@01", dtClient, "@1"}},
       "Site(L:client,T(P1:client,P2:client,P3:client,P4:client):left)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    (new TdxDockingManager(form))->SetOptions(c.options);
    Run(c.steps);
    EXPECT_EQ(Tree(site), c.tree);
    EXPECT_EQ(CheckInvariants(site), "");
    Pump();  // the deferred frees of dissolved containers
  }
}

TEST_F(DockContainersTest, CreatedContainersGetTheirPropertiesAndEvents) {
  TdxDockingManager* m = Manager();
  m->DefaultTabContainerSiteProperties()->TabsPosition = tctpTop;
  m->DefaultTabContainerSiteProperties()->ShowCaption = false;
  m->DefaultHorizContainerSiteProperties()->AllowFloating = false;
  std::vector<String> events;
  m->OnCreateTabContainer = [&](TdxCustomDockControl* s, TdxCustomDockControl* c) {
    events.push_back("manager tab " + s->Name());
  };
  p[0]->OnCreateTabContainer = [&](TdxCustomDockControl* s, TdxCustomDockControl* c) {
    events.push_back("own tab " + s->Name());
  };
  m->OnCreateSideContainer = [&](TdxCustomDockControl* s, TdxCustomDockControl* c) {
    events.push_back("manager side " + s->Name());
  };
  p[0]->DockTo(site, dtLeft, -1);
  p[1]->DockTo(p[0], dtClient, -1);
  auto* tc = dynamic_cast<TdxTabContainerDockSite*>(p[0]->ParentDockControl());
  ASSERT_NE(tc, nullptr);
  EXPECT_EQ(tc->TabsPosition(), tctpTop);
  EXPECT_FALSE(tc->ShowCaption());
  EXPECT_EQ(tc->Name(), "dxTabContainerDockSite1");
  p[2]->DockTo(tc, dtRight, -1);
  auto* hc = dynamic_cast<TdxHorizContainerDockSite*>(tc->ParentDockControl());
  ASSERT_NE(hc, nullptr);
  EXPECT_FALSE(hc->AllowFloating());
  EXPECT_EQ(events, (std::vector<String>{"own tab P1", "manager tab P1", "manager side dxTabContainerDockSite1"}));

  // Without default site properties a new container keeps its own defaults.
  m->SetUseDefaultSitesProperties(false);
  p[3]->DockTo(p[2], dtClient, -1);
  auto* second = dynamic_cast<TdxTabContainerDockSite*>(p[3]->ParentDockControl());
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->TabsPosition(), tctpBottom);
  EXPECT_TRUE(second->ShowCaption());
}

TEST_F(DockContainersTest, DissolvingKeepsPlaceSizeActiveStateAndTypes) {
  // P1 and P2 in a tab container which is the maximized item of a side container.
  site->SetBounds(0, 0, 400, 300);
  p[0]->DockTo(site, dtClient, -1);
  p[2]->DockTo(p[0], dtRight, -1);
  p[1]->DockTo(p[0], dtClient, -1);
  auto* tc = dynamic_cast<TdxTabContainerDockSite*>(p[0]->ParentDockControl());
  auto* hc = dynamic_cast<TdxSideContainerDockSite*>(tc->ParentDockControl());
  ASSERT_TRUE(tc && hc);
  hc->SetActiveChild(tc);
  ASSERT_EQ(hc->ActiveChild(), tc);
  Integer index = tc->DockIndex(), width = tc->OriginalWidth(), height = tc->OriginalHeight();
  p[1]->UnDock();
  EXPECT_EQ(p[0]->ParentDockControl(), hc);
  EXPECT_EQ(p[0]->DockIndex(), index);
  EXPECT_EQ(hc->ActiveChild(), p[0]);  // took over the maximized state
  EXPECT_EQ(p[0]->OriginalWidth(), width);
  EXPECT_EQ(p[0]->OriginalHeight(), height);
  EXPECT_EQ(p[0]->DockType(), dtClient);  // maximized: fills the container
  Pump();
}

TEST_F(DockContainersTest, ActiveChildIndexAppliesAndRefusesWhatItShould) {
  p[0]->DockTo(site, dtLeft, -1);
  p[1]->DockTo(p[0], dtClient, -1);
  p[2]->DockTo(p[1], dtClient, -1);
  auto* tc = dynamic_cast<TdxTabContainerDockSite*>(p[0]->ParentDockControl());
  form->Show();
  Pump();
  ASSERT_TRUE(tc->HandleAllocated());
  struct Case {
    Integer index;
    int expected;  // panel index, -1 for none
  };
  tc->SetActiveChildIndex(2);
  EXPECT_EQ(tc->ActiveChild(), p[2]);
  // Out of range: nil, then the tab container activates its first valid child.
  tc->SetActiveChildIndex(7);
  EXPECT_EQ(tc->ActiveChild(), p[0]);
  tc->SetActiveChildIndex(-1);
  EXPECT_EQ(tc->ActiveChild(), p[0]);
  // A hidden child is refused.
  p[1]->SetVisible(false);
  tc->SetActiveChildIndex(1);
  EXPECT_EQ(tc->ActiveChild(), p[0]);
  // Only the active tab's control is enabled.
  EXPECT_TRUE(p[0]->Enabled());
  EXPECT_FALSE(p[2]->Enabled());
  // An auto-hidden child is refused as well.
  p[1]->SetVisible(true);
  p[2]->SetAutoHide(true);
  ASSERT_TRUE(p[2]->AutoHide());
  tc->SetActiveChildIndex(2);
  EXPECT_EQ(tc->ActiveChild(), p[0]);
  EXPECT_EQ(tc->ValidChildCount(), 2);
}

TEST_F(DockContainersTest, ActiveChildIndexOfAStoredFormAppliesAfterLoading) {
  site->SetAlign(alClient);
  p[0]->DockTo(site, dtLeft, -1);
  p[1]->DockTo(p[0], dtClient, -1);
  p[2]->DockTo(p[1], dtClient, -1);
  auto* tc = dynamic_cast<TdxTabContainerDockSite*>(p[0]->ParentDockControl());
  tc->SetActiveChild(p[2]);
  p[3]->Free();
  p[3] = nullptr;
  String text = WriteComponentToText(form);
  EXPECT_NE(text.find("ActiveChildIndex = 2"), String::npos) << text;
  TForm* copy = NewForm("Copy");
  ReadComponentFromText(copy, text);
  auto* readSite = dynamic_cast<TdxDockSite*>(copy->FindComponent("Site"));
  ASSERT_NE(readSite, nullptr);
  EXPECT_EQ(Tree(readSite), Tree(site));
  auto* readTc = dynamic_cast<TdxTabContainerDockSite*>(readSite->Children(1));
  ASSERT_NE(readTc, nullptr);
  copy->Show();
  Pump();
  EXPECT_EQ(readTc->ActiveChildIndex(), 2);
  EXPECT_EQ(readTc->ActiveChild(), copy->FindComponent("P3"));
}

// A horizontal side container of three panels in a 400-pixel-wide site.
class SideContainerTest : public DockContainersTest {
 protected:
  void SetUp() override {
    DockContainersTest::SetUp();
    site->SetBounds(0, 0, 400, 300);
    p[0]->DockTo(site, dtClient, -1);
    p[1]->DockTo(p[0], dtRight, -1);
    p[2]->DockTo(p[1], dtRight, -1);
    hc = dynamic_cast<TdxSideContainerDockSite*>(p[0]->ParentDockControl());
    ASSERT_NE(hc, nullptr);
    ASSERT_EQ(hc->Width(), 400);
    SetOriginals({100, 100, 100});
    hc->AdjustChildrenBounds(nullptr);
  }
  void SetOriginals(std::vector<Integer> widths) {
    for (size_t i = 0; i < widths.size(); ++i) p[i]->SetOriginalWidth(widths[i]);
  }
  std::vector<Integer> Originals() { return {p[0]->OriginalWidth(), p[1]->OriginalWidth(), p[2]->OriginalWidth()}; }
  std::vector<Integer> Widths() { return {p[0]->Width(), p[1]->Width(), p[2]->Width()}; }
  std::vector<Integer> Lefts() { return {p[0]->Left(), p[1]->Left(), p[2]->Left()}; }
  TdxSideContainerDockSite* hc = nullptr;
};

TEST_F(SideContainerTest, DistributesTheFreeSpace) {
  // 400 - 300 = 100 shared by three: 33 each, the remaining pixel to the first.
  EXPECT_EQ(Widths(), (std::vector<Integer>{134, 133, 133}));
  EXPECT_EQ(Lefts(), (std::vector<Integer>{0, 134, 267}));
  EXPECT_EQ(p[0]->GetMinimumWidth(), 52);
  struct Case {
    const char* name;
    std::vector<Integer> originals;
    int fixed;  // panel whose original width is kept, -1 for none
    Integer width;
    std::vector<Integer> expected;
  };
  const Case cases[] = {
      {"a fixed control keeps its length, the others share", {200, 50, 50}, 0, 400, {200, 100, 100}},
      {"shrinking below the minimums leaves every child at its minimum", {134, 133, 133}, -1, 100, {52, 52, 52}},
      {"growing shares the gain", {100, 100, 100}, -1, 600, {200, 200, 200}},
      {"a negative remainder comes off the first child above its minimum", {52, 200, 200}, -1, 400, {52, 165, 183}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    site->SetBounds(0, 0, c.width, 300);
    SetOriginals(c.originals);
    hc->AdjustChildrenBounds(c.fixed >= 0 ? p[c.fixed] : nullptr);
    EXPECT_EQ(Originals(), c.expected);
    EXPECT_EQ(Widths(), c.expected);
  }
}

TEST_F(SideContainerTest, ResizesSplitsWithinTheMinimums) {
  struct Case {
    int panel;
    Integer delta;
    bool can;
  };
  const Case cases[] = {{0, 80, true},  {0, 81, false}, {0, -81, true}, {0, -82, false},
                        {1, 80, true},  {2, 10, false}, {1, -82, false}};
  for (const Case& c : cases)
    EXPECT_EQ(hc->CanResizeChild(p[c.panel], c.delta), c.can) << c.panel << " " << c.delta;
  hc->ResizeChild(p[0], 30);
  EXPECT_EQ(Widths(), (std::vector<Integer>{164, 103, 133}));
  EXPECT_EQ(Lefts(), (std::vector<Integer>{0, 164, 267}));
  // A split dragged too far stops at the neighbour's minimum.
  hc->ResizeChild(p[0], 500);
  EXPECT_EQ(Originals(), (std::vector<Integer>{215, 52, 133}));
  hc->ResizeChild(p[1], -500);
  EXPECT_EQ(Originals(), (std::vector<Integer>{215, 52, 133}));
  // Out of the container or at the end: nothing.
  hc->ResizeChild(p[2], 10);
  hc->ResizeChild(p[3], 10);
  EXPECT_EQ(Originals(), (std::vector<Integer>{215, 52, 133}));
}

TEST_F(SideContainerTest, MaximizesAndRestores) {
  EXPECT_TRUE(p[1]->CanMaximize());
  EXPECT_TRUE(p[1]->HasCaptionMaximizeButton());
  p[1]->DoMaximize();
  EXPECT_EQ(hc->ActiveChild(), p[1]);
  EXPECT_TRUE(p[1]->IsMaximized());
  EXPECT_EQ(p[0]->DockType(), dtLeft);
  EXPECT_EQ(p[2]->DockType(), dtRight);
  EXPECT_EQ(p[1]->DockType(), dtClient);
  EXPECT_EQ(p[0]->Width(), 52);
  EXPECT_EQ(p[2]->Width(), 52);
  EXPECT_EQ(p[1]->Width(), 400 - 104);
  p[1]->DoMaximize();
  EXPECT_EQ(hc->ActiveChild(), nullptr);
  EXPECT_EQ(Widths(), (std::vector<Integer>{134, 133, 133}));
  // Dragging a split while maximized restores all at their current lengths first.
  p[1]->DoMaximize();
  hc->ResizeChild(p[0], 10);
  EXPECT_EQ(hc->ActiveChild(), nullptr);
  EXPECT_EQ(Originals(), (std::vector<Integer>{62, 286, 52}));
}

TEST_F(SideContainerTest, ChildBoundsAndVisibilityAndCaption) {
  // The new width becomes the child's original length, then all share what is missing.
  p[1]->SetWidth(200);
  EXPECT_GT(p[1]->OriginalWidth(), 178);
  EXPECT_EQ(p[0]->OriginalWidth() + p[1]->OriginalWidth() + p[2]->OriginalWidth(), 400);
  p[0]->SetCaption("A");
  p[1]->SetCaption("B");
  p[2]->SetCaption("C");
  EXPECT_EQ(hc->Caption(), "A, B, C");
  p[2]->SetVisible(false);
  EXPECT_EQ(hc->Caption(), "A, B");
  EXPECT_EQ(p[0]->Width() + p[1]->Width(), 400);
  p[1]->SetVisible(false);
  // One valid child fills the container.
  EXPECT_EQ(p[0]->DockType(), dtClient);
  EXPECT_EQ(hc->Caption(), "A");
}

TEST_F(DockContainersTest, APanelShowsItsCaptionAsASingleTab) {
  site->SetAlign(alClient);
  p[0]->SetCaption("Files");
  p[0]->DockTo(site, dtLeft, -1);
  form->Show();
  Pump();
  Integer height = p[0]->ClientHeight();
  p[0]->SetShowSingleTab(true);
  Pump();
  TdxDockControlPainter* painter = p[0]->Painter();
  Integer t = painter->GetTabsHeight(), h = painter->GetTabHorizOffset(), v = painter->GetTabVertOffset();
  EXPECT_TRUE(p[0]->HasTabs());
  EXPECT_EQ(p[0]->ClientHeight(), height - t);
  TRect strip = p[0]->TabsRect();
  EXPECT_EQ(strip.Bottom, p[0]->WindowRect().Bottom - 2);
  Integer width = h + MeasureTextWidthInFont(p[0]->Font(), "Files") + h;
  EXPECT_EQ(p[0]->TabRect(), Rect(strip.Left + h, strip.Top + 2 * v, strip.Left + h + width, strip.Bottom - v));
  // On top; a caption wider than the strip is cut at the strip's right margin.
  p[0]->SetTabPosition(tctpTop);
  p[0]->SetCaption(String(200, 'W'));
  Pump();
  strip = p[0]->TabsRect();
  EXPECT_EQ(strip.Top, 2 + painter->GetCaptionHeight() + 2);
  EXPECT_EQ(p[0]->TabRect().Right, strip.Right - h);
  EXPECT_EQ(p[0]->TabRect().Bottom, strip.Bottom - 2 * v);
  // Inside a tab container the container's strip stands instead.
  p[1]->DockTo(p[0], dtClient, -1);
  EXPECT_FALSE(p[0]->HasTabs());
  // Its own TabPosition decides the new container's side.
  EXPECT_EQ(p[0]->TabContainer()->TabsPosition(), tctpTop);
}

// Every panel docked with every type onto every control of the tree, in turn: the refusals
// refuse, the rest builds sound trees, and no layout assertion is ever reached.
TEST_F(DockContainersTest, EveryDockOntoEveryTargetKeepsTheTreeSound) {
  auto* manager = new TdxDockingManager(form);
  site->SetBounds(0, 0, 480, 360);
  int changes = 0;
  for (TdxDockingOptions options : {dxDockingDefaultOptions,
                                    dxDockingDefaultOptions + TdxDockingOptions{doSideContainerCanInSideContainer,
                                                                                doSideContainerCanInTabContainer}}) {
    manager->SetOptions(options);
    p[0]->DockTo(site, dtLeft, -1);
    for (int panel = 0; panel < 4; ++panel) {
      for (TdxDockingType type : {dtNone, dtClient, dtLeft, dtTop, dtRight, dtBottom}) {
        // The tree changes with each dock: the targets are collected again each time.
        for (size_t t = 0;; ++t) {
          std::vector<TdxCustomDockControl*> targets;
          std::function<void(TdxCustomDockControl*)> collect = [&](TdxCustomDockControl* c) {
            targets.push_back(c);
            for (Integer i = 0; i < c->ChildCount(); ++i) collect(c->Children(i));
          };
          collect(site);
          if (t >= targets.size()) break;
          TdxCustomDockControl* target = targets[t];
          SCOPED_TRACE(p[panel]->Name() + " onto " + NameOf(target) + " " + TypeName(type));
          String before = Tree(site);
          EXPECT_NO_THROW(p[panel]->DockTo(target, type, -1));
          changes += Tree(site) != before;
          ASSERT_EQ(CheckInvariants(site), "") << Tree(site);
          for (int k = 0; k < 4; ++k) {
            if (TdxContainerDockSite* c = p[k]->Container()) {
              EXPECT_GE(c->ChildCount(), 2) << Tree(site);  // no container of one
            }
          }
          Pump();
        }
      }
    }
    for (int k = 0; k < 4; ++k) EXPECT_NO_THROW(p[k]->UnDock());
    EXPECT_EQ(Tree(site), "Site");
    EXPECT_GT(changes, 20);  // the walk did build trees
    Pump();
  }
}

TEST_F(DockContainersTest, BadInputNeverReachesTheLayoutAssertions) {
  p[0]->DockTo(site, dtLeft, -1);
  p[1]->DockTo(p[0], dtClient, -1);
  String before = Tree(site);
  // Docking with dtNone, onto itself, onto its own container's child, or without a parent.
  p[2]->DockTo(p[0], dtNone, -1);
  p[0]->DockTo(p[0], dtClient, -1);
  p[2]->DockTo(p[3], dtClient, -1);
  EXPECT_EQ(Tree(site), before);
  // An index beyond the end appends.
  p[0]->DockTo(p[0]->ParentDockControl(), dtClient, 99);
  EXPECT_EQ(Tree(site), "Site(L:client,T(P2:client,P1:client):left)");
  auto* tc = dynamic_cast<TdxTabContainerDockSite*>(p[0]->ParentDockControl());
  tc->SetActiveChildIndex(-5);
  tc->SetActiveChildIndex(1000);
  EXPECT_NE(tc->ActiveChild(), nullptr);
  Pump();
}

}  // namespace
