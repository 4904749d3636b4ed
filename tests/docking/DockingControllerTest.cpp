// The docking controller and manager: registration, per-form values, the update bracket
// with its deferred frame work, the active dock control from the focus, and the manager's
// colour, font, default site properties and view style.
#include "docking/dxDockConsts.h"
#include "rtl/SysUtils.h"
#include "tests/docking/DockingTestSupport.h"
#include "foundation/cxContainer.h"
#include "vcl/StdCtrls.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVAN_LEAK_CHECKS 1
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define KORVAN_LEAK_CHECKS 1
#endif
#if KORVAN_LEAK_CHECKS
#include <sanitizer/lsan_interface.h>
#endif

using namespace docktest;

namespace {

class DockingControllerTest : public DockingFixture {
 protected:
  // Logs each non-client calculation that reaches a control.
  void CountFrames(TdxCustomDockControl* c) {
    c->WindowProc = [this, c](TMessage& m) {
      if (m.Msg == WM_NCCALCSIZE) frames.push_back(NameOf(c));
      if (m.Msg == WM_NCPAINT) paints.push_back(NameOf(c));
      static_cast<TControl*>(c)->WndProc(m);
    };
  }
  // Shows the form with P1 docked in the site and an edit on it (inner) and one beside the
  // site on the form (outer).
  std::pair<TEdit*, TEdit*> ShowPanelWithEdits() {
    form->Show();
    site->SetAlign(alLeft);
    p[0]->DockTo(site, dtLeft, -1);
    auto* inner = new TEdit(form);
    inner->SetParent(p[0]);
    auto* outer = new TEdit(form);
    outer->SetParent(form);
    outer->SetLeft(420);
    Pump();
    return {inner, outer};
  }
  std::vector<String> frames, paints;
};

TEST_F(DockingControllerTest, RegistersControlsInCreationOrder) {
  TdxDockingController* c = DockingController();
  ASSERT_EQ(c->DockControlCount(), 5);
  EXPECT_EQ(c->DockControls(0), site);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(c->DockControlIndex(p[i]), i + 1);
  p[1]->Free();
  p[1] = nullptr;
  EXPECT_EQ(c->DockControlIndex(p[2]), 2);
}

// A program that ends while the controller lives: the controller ends with the units, never
// by a static object's end after the hooks' and windows' state is gone (under the address
// sanitizer that end read freed hook lists and the process failed).
TEST_F(DockingControllerTest, TheProcessEndsCleanlyWhileTheControllerLives) {
  ASSERT_NE(DockingController(), nullptr);
  EXPECT_TRUE(UnitInitialized("dxDockingController"));
  EXPECT_EXIT(
      {
#if KORVAN_LEAK_CHECKS
        __lsan_disable();  // the test's own windows are left for the end of the process
#endif
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(DockingControllerTest, PerFormValuesFallBackToAnotherFormsManagerThenDefaults) {
  TdxDockingController* c = DockingController();
  EXPECT_EQ(p[0]->DockZonesWidth(), 20);
  EXPECT_EQ(p[0]->ResizeZonesWidth(), 3);
  EXPECT_EQ(p[0]->ManagerColorValue(), clBtnFace);
  EXPECT_EQ(p[0]->Options(), dxDockingDefaultOptions);
  EXPECT_EQ(c->AutoHideInterval(form), 500);
  EXPECT_EQ(c->AutoShowInterval(form), 300);
  EXPECT_EQ(c->SelectionFrameWidth(form), 4);

  TForm* other = NewForm("Form2");
  auto* otherManager = new TdxDockingManager(other);
  otherManager->SetDockZonesWidth(30);
  EXPECT_EQ(c->FindManager(form), otherManager);
  EXPECT_EQ(p[0]->DockZonesWidth(), 30);

  auto* own = new TdxDockingManager(form);
  own->SetDockZonesWidth(25);
  EXPECT_EQ(c->FindManager(form), own);
  EXPECT_EQ(p[0]->DockZonesWidth(), 25);
  EXPECT_EQ(c->DockZonesWidth(other), 30);
  own->Free();
  EXPECT_EQ(p[0]->DockZonesWidth(), 30);
}

TEST_F(DockingControllerTest, OneManagerPerForm) {
  auto* first = new TdxDockingManager(form);
  Integer components = form->ComponentCount();
  try {
    new TdxDockingManager(form);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), dock_consts::sdxManagerError);
  }
  EXPECT_EQ(DockingController()->ManagerCount(), 1);
  EXPECT_EQ(DockingController()->Managers(0), first);
  EXPECT_EQ(form->ComponentCount(), components);
}

TEST_F(DockingControllerTest, BracketTurnsManyFrameRequestsIntoOneRecalculationParentsFirst) {
  form->Show();
  p[0]->DockTo(site, dtLeft, -1);
  Pump();
  TdxCustomDockControl* layout = site->Children(0);
  for (TdxCustomDockControl* c : {static_cast<TdxCustomDockControl*>(p[0]), layout, static_cast<TdxCustomDockControl*>(site)})
    CountFrames(c);
  DockingController()->BeginUpdateNC();
  DockingController()->BeginUpdateNC();
  for (int i = 0; i < 3; ++i) {
    p[0]->NCChanged();
    layout->NCChanged();
    site->NCChanged();
  }
  DockingController()->EndUpdateNC();
  EXPECT_TRUE(frames.empty());
  paints.clear();
  DockingController()->EndUpdateNC();
  EXPECT_EQ(frames, (std::vector<String>{"Site", "L", "P1"}));
  // One frame repaint each; the sites have no frame area to paint.
  Pump();
  EXPECT_EQ(paints, (std::vector<String>{"P1"}));
}

TEST_F(DockingControllerTest, FrameAnswersFromTheCacheWhileTheBracketIsOpen) {
  form->Show();
  p[0]->DockTo(site, dtLeft, -1);
  Pump();
  Integer withCaption = p[0]->ClientHeight();
  DockingController()->BeginUpdateNC();
  p[0]->SetShowCaption(false);
  p[0]->SetBounds(p[0]->Left(), p[0]->Top(), p[0]->Width(), p[0]->Height());
  EXPECT_EQ(p[0]->ClientHeight(), withCaption);
  DockingController()->EndUpdateNC();
  EXPECT_EQ(p[0]->ClientHeight(), withCaption + 16 + 2);  // caption and separator gone
}

TEST_F(DockingControllerTest, RedrawComesBackAtTheEndEvenWhenHiddenOrMovedMeanwhile) {
  form->Show();
  p[0]->DockTo(site, dtLeft, -1);
  p[1]->DockTo(site, dtTop, -1);
  Pump();
  DockingController()->BeginUpdateNC();
  p[0]->NCChanged();
  p[1]->NCChanged();
  // Redraw off takes the window's visible style; the control itself stays visible.
  EXPECT_FALSE(GetWindowLongPtr(p[0]->Handle(), GWL_STYLE) & WS_VISIBLE);
  p[0]->Hide();
  p[1]->UnDock();
  p[1]->DockTo(site, dtRight, -1);
  DockingController()->EndUpdateNC();
  EXPECT_FALSE(GetWindowLongPtr(p[0]->Handle(), GWL_STYLE) & WS_VISIBLE);  // hidden stays hidden
  p[0]->Show();
  EXPECT_TRUE(IsWindowVisible(p[0]->Handle()));
  EXPECT_TRUE(IsWindowVisible(p[1]->Handle()));
  // Redraw is really on again: a later bracket can take it and give it back.
  DockingController()->BeginUpdateNC();
  p[0]->NCChanged();
  DockingController()->EndUpdateNC();
  EXPECT_TRUE(IsWindowVisible(p[0]->Handle()));
}

TEST_F(DockingControllerTest, ActiveDockControlFollowsTheFocus) {
  auto [inner, outer] = ShowPanelWithEdits();
  DockingController()->SetActiveDockControl(nullptr);  // docking activated it
  std::vector<String> events;
  p[0]->OnActivate = [&](TdxCustomDockControl* s, bool a) { events.push_back(s->Name() + (a ? "+" : "-")); };
  S().Click(inner->Handle(), {5, 5});
  Pump();
  EXPECT_EQ(DockingController()->ActiveDockControl(), p[0]);
  S().Click(outer->Handle(), {5, 5});
  Pump();
  EXPECT_EQ(DockingController()->ActiveDockControl(), nullptr);
  EXPECT_EQ(events, (std::vector<String>{"P1+", "P1-"}));
}

TEST_F(DockingControllerTest, FocusInAPopupOfAControlOnThePanelKeepsThePanelActiveAndTabLeaves) {
  auto [inner, outer] = ShowPanelWithEdits();
  S().Click(inner->Handle(), {5, 5});
  Pump();
  ASSERT_EQ(DockingController()->ActiveDockControl(), p[0]);

  auto* popup = new TcxCustomPopupWindow(inner);
  popup->SetBounds(50, 300, 120, 60);
  auto* popupEdit = new TEdit(popup);
  popupEdit->SetParent(popup);
  popup->Show();  // shown directly: the popup animation waits on a clock that stands still here
  Pump();
  popupEdit->SetFocus();
  Pump();
  ASSERT_TRUE(popupEdit->Focused());
  EXPECT_EQ(DockingController()->ActiveDockControl(), p[0]);
  popup->Hide();
  popup->Free();
  Pump();

  inner->SetFocus();
  Pump();
  S().PressKey(VK_TAB);
  Pump();
  ASSERT_TRUE(outer->Focused());
  EXPECT_EQ(DockingController()->ActiveDockControl(), nullptr);
}

TEST_F(DockingControllerTest, ManagerColorAndFontReachOnlyControlsThatFollowTheManager) {
  auto* manager = new TdxDockingManager(form);
  p[0]->SetColor(clRed);
  p[0]->Font()->SetSize(20);
  EXPECT_FALSE(p[0]->ManagerColor());
  EXPECT_FALSE(p[0]->ManagerFont());
  manager->SetColor(clYellow);
  manager->Font()->SetSize(14);
  EXPECT_EQ(p[0]->Color(), clRed);
  EXPECT_EQ(p[0]->Font()->Size(), 20);
  EXPECT_EQ(p[1]->Color(), clYellow);
  EXPECT_EQ(p[1]->Font()->Size(), 14);
  EXPECT_TRUE(p[1]->ManagerColor());
  EXPECT_TRUE(p[1]->ManagerFont());
  p[0]->SetManagerColor(true);  // switching back takes the manager's value at once
  EXPECT_EQ(p[0]->Color(), clYellow);
}

TEST_F(DockingControllerTest, DefaultSitePropertiesLandOnCreatedSitesOnlyWhileUsed) {
  auto* manager = new TdxDockingManager(form);
  manager->SetDefaultLayoutSiteAllowDockClients({dtLeft, dtRight});
  p[0]->DockTo(site, dtLeft, -1);
  EXPECT_EQ(site->Children(0)->AllowDockClients(), (TdxDockingTypes{dtLeft, dtRight}));
  manager->SetUseDefaultSitesProperties(false);
  p[1]->DockTo(site, dtTop, -1);
  EXPECT_EQ(site->Children(0)->AllowDockClients(), dxDockingTypesAll);
}

TEST_F(DockingControllerTest, ViewStyleResetsTheManagersColourAndRenewsPainters) {
  auto* manager = new TdxDockingManager(form);
  manager->SetColor(clRed);
  TdxDockControlPainter* before = p[0]->Painter();
  ASSERT_NE(before, nullptr);
  std::vector<String> events;
  manager->OnViewChanged = [&](TObject*) { events.push_back("view"); };
  manager->SetViewStyle(vsNET);
  EXPECT_EQ(manager->Color(), clBtnFace);
  EXPECT_EQ(p[0]->Color(), clBtnFace);
  EXPECT_EQ(events, (std::vector<String>{"view"}));
  EXPECT_NE(p[0]->Painter(), nullptr);
}

}  // namespace

namespace {

TEST_F(DockingControllerTest, PositionsFindTheControlAndTheEmptyAutoSizeSiteAlongTheEdge) {
  site->SetAlign(alLeft);
  site->SetWidth(10);
  site->SetAutoSize(true);
  auto* right = new TdxDockSite(form);
  right->SetParent(form);
  right->SetAlign(alRight);
  right->SetWidth(10);  // not AutoSize: never found by the band
  form->Show();
  Pump();
  TPoint left = site->ClientToScreen(TPoint(0, 0));
  EXPECT_EQ(DockingController()->DockSiteAtPos(TPoint(left.X + 5, left.Y + 5)), site);
  // The band is DockZonesWidth (20) wide even though the site is 10 pixels thin.
  EXPECT_EQ(DockingController()->DockSiteAtPos(TPoint(left.X + 15, left.Y + 5)), site);
  EXPECT_EQ(DockingController()->DockSiteAtPos(TPoint(left.X + 25, left.Y + 5)), nullptr);
  TPoint r = right->ClientToScreen(TPoint(2, 2));
  EXPECT_EQ(DockingController()->DockSiteAtPos(r), nullptr);
  EXPECT_EQ(DockingController()->DockControlAtPos(r), right);
}

}  // namespace

namespace {

TEST_F(DockingControllerTest, ActivatingAPanelMovesTheFocusToItsFirstTabStop) {
  auto [inner, outer] = ShowPanelWithEdits();
  outer->SetFocus();
  Pump();
  EXPECT_EQ(DockingController()->ActiveDockControl(), nullptr);
  p[0]->Activate();
  Pump();
  EXPECT_TRUE(inner->Focused());
  EXPECT_EQ(DockingController()->ActiveDockControl(), p[0]);
}

}  // namespace
