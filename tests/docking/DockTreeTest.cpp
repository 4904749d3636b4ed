// Docking by code: the trees that DockTo and UnDock build, the docking rules, original
// sizes, dock positions, visibility reaching layout sites and closing.
#include "docking/dxDockConsts.h"
#include "rtl/SysUtils.h"
#include "tests/docking/DockingTestSupport.h"

using namespace docktest;

namespace {

struct TreeCase {
  const char* name;
  std::vector<DockStep> steps;
  const char* tree;
};

using DockTreeTest = DockingFixture;

TEST_F(DockTreeTest, DockToAndUnDockBuildTheTree) {
  const TreeCase cases[] = {
      {"side into the site", {{0, "Site", dtLeft}}, "Site(L:client,P1:left)"},
      {"client into the empty site", {{0, "Site", dtClient}}, "Site(L:client,P1:client)"},
      {"each type into the site",
       {{0, "Site", dtTop}},
       "Site(L:client,P1:top)"},
      {"second dock pushes the pair one level down",
       {{0, "Site", dtLeft}, {1, "Site", dtTop}},
       "Site(L(L:client,P1:left):client,P2:top)"},
      {"third dock pushes again",
       {{0, "Site", dtLeft}, {1, "Site", dtTop}, {2, "Site", dtBottom}},
       "Site(L(L(L:client,P1:left):client,P2:top):client,P3:bottom)"},
      {"into the layout site",
       {{0, "Site", dtLeft}, {1, "@0", dtRight}},
       "Site(L(L:client,P2:right):client,P1:left)"},
      {"client into an emptied layout site",
       {{0, "Site", dtLeft}, {1, "@0", dtRight}, {1, "", dtNone}, {2, "@0", dtClient}},
       "Site(L(L:client,P3:client):client,P1:left)"},
      {"into an emptied site", {{0, "Site", dtLeft}, {0, "", dtNone}, {1, "Site", dtClient}},
       "Site(L:client,P2:client)"},
      {"onto its own layout site docks into the parent",
       {{0, "Site", dtLeft}, {0, "@0", dtTop}},
       "Site(L:client,P1:top)"},
      {"undock dissolves the layout site",
       {{0, "Site", dtLeft}, {1, "Site", dtTop}, {1, "", dtNone}},
       "Site(L:client,P1:left)"},
      {"undock from the pushed pair",
       {{0, "Site", dtLeft}, {1, "Site", dtTop}, {0, "", dtNone}},
       "Site(L:client,P2:top)"},
      {"undock of the last leaves the site empty", {{0, "Site", dtLeft}, {0, "", dtNone}}, "Site"},
      {"moving a docked panel undocks it first",
       {{0, "Site", dtLeft}, {1, "Site", dtTop}, {0, "Site", dtRight}},
       "Site(L(L:client,P2:top):client,P1:right)"},
  };
  for (const TreeCase& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    Run(c.steps);
    EXPECT_EQ(Tree(site), c.tree);
    EXPECT_EQ(CheckInvariants(site), "");
    // Dissolved layout sites go at the posted free; none is left over afterwards.
    Pump();
    Integer layouts = 0;
    for (Integer i = 0; i < form->ComponentCount(); ++i)
      if (dynamic_cast<TdxLayoutDockSite*>(form->Components(i))) ++layouts;
    String tree = c.tree;
    EXPECT_EQ(layouts, Integer(std::count(tree.begin(), tree.end(), 'L')));
  }
}

TEST_F(DockTreeTest, CreatedSitesGetUniqueNamesFromTheirClass) {
  p[0]->DockTo(site, dtLeft, -1);
  p[1]->DockTo(site, dtTop, -1);
  EXPECT_EQ(site->Children(0)->Name(), "dxLayoutDockSite2");
  EXPECT_EQ(site->Children(0)->Children(0)->Name(), "dxLayoutDockSite1");
}

TEST_F(DockTreeTest, RefusedDocksChangeNothingAndFireNoEvents) {
  TForm* other = NewForm("Form2");
  auto* otherSite = new TdxDockSite(other);
  otherSite->SetParent(other);
  struct Refusal {
    const char* name;
    std::function<void()> prepare;
    std::function<void()> dock;
  };
  const Refusal refusals[] = {
      {"another form's site", [] {}, [&] { p[0]->DockTo(otherSite, dtLeft, -1); }},
      {"onto itself", [] {}, [&] { p[0]->DockTo(p[0], dtLeft, -1); }},
      {"a type outside AllowDock", [&] { p[0]->SetAllowDock({dtClient, dtTop}); },
       [&] { p[0]->DockTo(site, dtLeft, -1); }},
      {"a type outside the site's AllowDockClients", [&] { site->SetAllowDockClients({dtLeft}); },
       [&] { p[0]->DockTo(site, dtTop, -1); }},
      {"client into a site with children", [&] { p[1]->DockTo(site, dtLeft, -1); },
       [&] { p[0]->DockTo(site, dtClient, -1); }},
      {"client into a layout site with children",
       [&] {
         p[1]->DockTo(site, dtLeft, -1);
         p[2]->DockTo(site->Children(0), dtTop, -1);
       },
       [&] { p[0]->DockTo(site->Children(0), dtClient, -1); }},
      {"a second client of an AutoSize site",
       [&] {
         site->SetAutoSize(true);
         p[1]->DockTo(site, dtClient, -1);
       },
       [&] { p[0]->DockTo(site, dtClient, -1); }},
      {"a side of an AutoSize site", [&] { site->SetAutoSize(true); }, [&] { p[0]->DockTo(site, dtLeft, -1); }},
      {"onto a panel without a parent dock control", [] {}, [&] { p[0]->DockTo(p[1], dtClient, -1); }},
      {"a site is not dockable", [] {}, [&] { otherSite->DockTo(site, dtLeft, -1); }},
  };
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.name);
    r.prepare();
    String before = Tree(site);
    log.clear();
    Record(p[0]);
    r.dock();
    EXPECT_EQ(Tree(site), before);
    EXPECT_EQ(p[0]->ParentDockControl(), nullptr);
    EXPECT_TRUE(log.empty()) << log.front();
    // Undo the preparation for the next case.
    for (int i = 0; i < 4; ++i) p[i]->UnDock();
    p[0]->SetAllowDock(dxDockingTypesAll);
    site->SetAllowDockClients(dxDockingTypesAll);
    site->SetAutoSize(false);
  }
}

TEST_F(DockTreeTest, AutoSizeSiteTakesItsClientsOriginalSize) {
  site->SetAlign(alLeft);
  site->SetAutoSize(true);
  p[0]->SetBounds(0, 0, 120, 90);
  p[0]->DockTo(site, dtClient, -1);
  EXPECT_EQ(site->Width(), 120);
  EXPECT_EQ(site->GetAutoSizeClientControl(), p[0]);
  EXPECT_FALSE(site->CanDockHost(p[1], dtClient));
  p[0]->UnDock();
  EXPECT_TRUE(site->CanDockHost(p[1], dtClient));
}

TEST_F(DockTreeTest, UndockedControlTakesItsOriginalSizeBack) {
  p[0]->SetBounds(0, 0, 150, 100);
  p[0]->DockTo(site, dtLeft, -1);
  EXPECT_EQ(p[0]->Width(), 150);
  EXPECT_EQ(p[0]->Height(), site->ClientHeight());
  p[0]->SetWidth(170);  // a user resize of a left panel changes its original width only
  EXPECT_EQ(p[0]->OriginalWidth(), 170);
  EXPECT_EQ(p[0]->OriginalHeight(), 100);
  p[0]->UnDock();
  EXPECT_EQ(p[0]->Width(), 170);
  EXPECT_EQ(p[0]->Height(), 100);
}

TEST_F(DockTreeTest, DockPositionIsStoredAndRestoredFromTheFirstCandidate) {
  p[0]->DockTo(site, dtBottom, -1);
  p[0]->StoreDockPosition(TPoint(0, 0));
  EXPECT_EQ(p[0]->DockPosition().Parent, site);
  EXPECT_EQ(p[0]->DockPosition().DockType, dtBottom);
  EXPECT_EQ(p[0]->DockPosition().DockIndex, 1);
  p[0]->UnDock();
  log.clear();
  p[0]->OnStartDocking = [this](TdxCustomDockControl*, Integer, Integer) { log.push_back("start"); };
  p[0]->OnEndDocking = [this](TdxCustomDockControl*, TdxZone*, Integer, Integer) {
    log.push_back("end");
  };
  p[0]->OnRestoreDockPosition = [this](TdxCustomDockControl*, TdxDockPosition&) { log.push_back("restore"); };
  // A hidden candidate is skipped: nothing happens.
  site->Hide();
  p[0]->RestoreDockPosition(TPoint(0, 0));
  EXPECT_EQ(p[0]->ParentDockControl(), nullptr);
  site->Show();
  p[0]->RestoreDockPosition(TPoint(0, 0));
  EXPECT_EQ(Tree(site), "Site(L:client,P1:bottom)");
  EXPECT_EQ(log, (std::vector<String>{"restore", "restore", "start", "end"}));
  EXPECT_EQ(p[0]->DockPosition().Parent, nullptr);
}

TEST_F(DockTreeTest, FreeingARememberedTargetClearsTheReference) {
  auto* inner = new TdxDockSite(form);
  inner->SetParent(form);
  p[0]->DockTo(inner, dtLeft, -1);
  p[0]->StoreDockPosition(TPoint(0, 0));
  p[0]->UnDock();
  Pump();
  inner->Free();
  EXPECT_EQ(p[0]->DockPosition().Parent, nullptr);
  p[0]->RestoreDockPosition(TPoint(0, 0));  // no candidate left: nothing, no crash
  EXPECT_EQ(p[0]->ParentDockControl(), nullptr);
}

TEST_F(DockTreeTest, VisibilityReachesTheLayoutSite) {
  p[0]->DockTo(site, dtLeft, -1);
  TdxCustomDockControl* layout = site->Children(0);
  EXPECT_TRUE(layout->Visible());
  p[0]->Hide();
  EXPECT_FALSE(layout->Visible());
  EXPECT_EQ(site->ValidChildCount(), 0);
  p[0]->Show();
  EXPECT_TRUE(layout->Visible());
  // A layout site with children stays visible when its sibling hides.
  p[1]->DockTo(layout, dtTop, -1);
  p[0]->Hide();
  EXPECT_TRUE(layout->Visible());
}

TEST_F(DockTreeTest, DoCloseByTheManagersOptions) {
  auto* manager = new TdxDockingManager(form);
  struct Case {
    const char* name;
    TdxDockingOptions extra;
    bool closes;
  };
  for (const Case& c : {Case{"neither hides", {}, true}, Case{"undock on close", {doUndockOnClose}, true},
                        Case{"free on close", {doFreeOnClose}, true}, Case{"query refuses", {doFreeOnClose}, false}}) {
    SCOPED_TRACE(c.name);
    manager->SetOptions(dxDockingDefaultOptions + c.extra);
    TdxDockPanel* panel = new TdxDockPanel(form);
    panel->SetName("Closing");
    watcher.freed.clear();  // an earlier case's panel may have had the same address
    watcher.Watch(panel);
    panel->DockTo(site, dtLeft, -1);
    log.clear();
    Record(panel);
    allowClose = c.closes;
    panel->DoClose();
    if (!c.closes) {
      EXPECT_EQ(log, (std::vector<String>{"Closing.CloseQuery"}));
      EXPECT_TRUE(panel->Visible());
      EXPECT_EQ(panel->ParentDockControl(), site);
    } else if (c.extra.Contains(doFreeOnClose)) {
      // Still there when DoClose returns; freed at the posted message.
      EXPECT_FALSE(watcher.Freed(panel));
      EXPECT_EQ(panel->DockingState(), dsDestroyed);
      EXPECT_EQ(Tree(site), "Site");
      Pump();
      EXPECT_TRUE(watcher.Freed(panel));
      continue;
    } else if (c.extra.Contains(doUndockOnClose)) {
      EXPECT_EQ(log, (std::vector<String>{"Closing.CloseQuery", "Closing.Close", "Closing.UnDock"}));
      EXPECT_EQ(panel->ParentDockControl(), nullptr);
      EXPECT_TRUE(panel->Visible());
    } else {
      EXPECT_EQ(log, (std::vector<String>{"Closing.CloseQuery", "Closing.Close"}));
      EXPECT_FALSE(panel->Visible());
      EXPECT_EQ(panel->ParentDockControl(), site);
    }
    panel->Free();
    Pump();
    EXPECT_EQ(Tree(site), "Site");
  }
}

TEST_F(DockTreeTest, EventsFireInOrder) {
  auto* manager = new TdxDockingManager(form);
  manager->OnCreateLayoutSite = [this](TdxCustomDockControl* s, TdxCustomDockControl*) {
    log.push_back("manager.CreateLayoutSite(" + s->Name() + ")");
  };
  manager->OnLayoutChanged = [this](TdxCustomDockControl* s) { log.push_back("manager.LayoutChanged(" + s->Name() + ")"); };
  Record(site);
  Record(p[0]);
  Record(p[1]);
  p[0]->DockTo(site, dtLeft, -1);
  p[1]->DockTo(site, dtTop, -1);
  p[1]->UnDock();
  EXPECT_EQ(log, (std::vector<String>{
                     "Site.CreateLayoutSite", "manager.CreateLayoutSite(Site)", "P1.Dock(Site,left,-1)",
                     "manager.LayoutChanged(P1)", "Site.CreateLayoutSite", "manager.CreateLayoutSite(Site)",
                     "P2.Dock(Site,top,-1)", "manager.LayoutChanged(P2)", "P2.UnDock", "manager.LayoutChanged(P2)"}));
}

TEST_F(DockTreeTest, BadInputRaisesTheTextsAndLeavesNothingBehind) {
  Integer count = DockingController()->DockControlCount();
  auto* plain = new TComponent(nullptr);
  try {
    new TdxDockPanel(plain);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), dock_consts::sdxInvalidOwner);
  }
  EXPECT_EQ(DockingController()->DockControlCount(), count);
  plain->Free();

  // A plain control inserted into a site goes to the form and the insertion is refused.
  auto* button = new TCustomControl(nullptr);
  try {
    site->InsertComponent(button);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "You can only insert a TdxCustomDockControl into TdxCustomDockSite "
                           "(TCustomControl is being inserted).");
  }
  EXPECT_EQ(button->Parent(), form);
  button->Free();

  // A panel refuses dock controls as components.
  try {
    p[0]->InsertComponent(p[1]);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "You cannot insert a TdxCustomDockControl into TdxDockPanel "
                           "(TdxDockPanel is being inserted).");
  }

  // A layout site's parent is changed only by docking operations.
  p[0]->DockTo(site, dtLeft, -1);
  TdxCustomDockControl* layout = site->Children(0);
  try {
    layout->SetParent(form);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), dock_consts::sdxInvalidParentAssigning);
  }
  EXPECT_EQ(layout->Parent(), site);
  // Inside a docking operation the new parent must still be a dock control.
  layout->BeginUpdateLayout();
  try {
    layout->SetParent(form);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "The Parent of the TdxLayoutDockSite must be TdxCustomDockControl.");
  }
  layout->EndUpdateLayout();
  EXPECT_EQ(layout->Parent(), site);
  // Nor freed while its parent holds another child.
  try {
    layout->Free();
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), dock_consts::sdxInvalidLayoutSiteDeleting);
  }
  EXPECT_EQ(Tree(site), "Site(L:client,P1:left)");
}

TEST_F(DockTreeTest, SettingAPanelsParentDocksItWithTheFirstAcceptedType) {
  p[0]->SetParent(site);
  EXPECT_EQ(Tree(site), "Site(L:client,P1:client)");
  p[1]->SetParent(site);  // client is taken now: left is the first accepted
  EXPECT_EQ(Tree(site), "Site(L(L:client,P1:client):client,P2:left)");
}

TEST_F(DockTreeTest, FreeingADockedPanelUndocksIt) {
  p[0]->DockTo(site, dtLeft, -1);
  p[1]->DockTo(site, dtTop, -1);
  p[1]->Free();
  p[1] = nullptr;
  EXPECT_EQ(Tree(site), "Site(L:client,P1:left)");
  Pump();
  EXPECT_EQ(CheckInvariants(site), "");
}

}  // namespace

namespace {

TEST_F(DockTreeTest, FreeingTheSiteOrTheFormBeforeTheDeferredFreeIsSafe) {
  p[0]->DockTo(site, dtLeft, -1);
  p[1]->DockTo(site, dtTop, -1);
  watcher.Watch(p[0]);
  site->Free();  // takes its window children with it
  site = nullptr;
  EXPECT_TRUE(watcher.Freed(p[0]));
  EXPECT_EQ(DockingController()->DockControlIndex(p[2]), 0);  // site, P1, P2 and layouts gone

  // A control waiting for its deferred free goes with its form first.
  auto* manager = new TdxDockingManager(form);
  manager->SetOptions(dxDockingDefaultOptions + doFreeOnClose);
  auto* s2 = new TdxDockSite(form);
  s2->SetParent(form);
  p[2]->DockTo(s2, dtLeft, -1);
  p[2]->DoClose();
  FreeForm(form);
  form = nullptr;
  EXPECT_EQ(DockingController()->DockControlCount(), 0);
  Pump();  // the posted message finds nothing to free
}

}  // namespace
