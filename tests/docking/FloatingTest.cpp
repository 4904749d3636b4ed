// Floating: the float form placed in the monitor work area with the original client size,
// hidden and shown with its form, kept above it, closed with its close box; its caption drags
// and double clicks; the float site's rules.
#include "docking/dxDockZones.h"
#include "tests/docking/DockingTestSupport.h"

using namespace docktest;

namespace {

Integer FloatFormCount() {
  Integer n = 0;
  for (Integer i = 0; i < Application->ComponentCount(); ++i)
    if (dynamic_cast<TdxFloatForm*>(Application->Components(i))) ++n;
  return n;
}

class FloatingTest : public DockingFixture {
 protected:
  void SetUp() override {
    DockingFixture::SetUp();
    site->SetAlign(alClient);
    p[0]->SetCaption("One");
    p[0]->DockTo(site, dtLeft, -1);
    form->Show();
    Pump();
  }
};

TEST_F(FloatingTest, FreeingTheFormFreesItsFloatForms) {
  Integer before = FloatFormCount();
  p[0]->MakeFloating(600, 300);
  EXPECT_EQ(FloatFormCount(), before + 1);
  TForm* other = NewForm("Form2");
  FreeForm(form);
  Pump();
  EXPECT_EQ(FloatFormCount(), before);
  (void)other;
}

TEST_F(FloatingTest, TheFloatFormTakesTheOriginalClientSizeInsideTheWorkArea) {
  p[0]->SetOriginalWidth(180);
  p[0]->SetOriginalHeight(120);
  p[0]->MakeFloating(100, 50);
  TdxFloatForm* ff = p[0]->FloatForm();
  ASSERT_TRUE(ff);
  EXPECT_TRUE(ff->Visible());
  EXPECT_EQ(ff->BorderStyle(), bsSizeToolWin);
  EXPECT_EQ(ff->ClientWidth(), 180);
  EXPECT_EQ(ff->ClientHeight(), 120);
  EXPECT_EQ(ff->Caption(), "One");
  EXPECT_EQ(p[0]->DockingState(), dsFloating);
  // The work area is the screen less a 30-pixel task bar: (0, 0, 1280, 770).
  auto* fs = p[0]->FloatDockSite();
  struct Case {
    Integer x, y, left, top;
  };
  Integer h = ff->Height();
  Case cases[] = {{100, 50, 100, 50}, {-40, -30, -40, 0}, {300, 770, 300, 770 - h}, {300, 769, 300, 769}};
  for (const Case& c : cases) {
    SCOPED_TRACE(IntToStr(c.x) + "," + IntToStr(c.y));
    fs->SetFloatFormPosition(c.x, c.y);
    EXPECT_EQ(ff->Left(), c.left);
    EXPECT_EQ(ff->Top(), c.top);
    EXPECT_EQ(fs->FloatLeft(), c.left);
  }
  // Floating again only moves the form: no new site, no event.
  bool made = false;
  p[0]->OnMakeFloating = [&](TdxCustomDockControl*, Integer, Integer) { made = true; };
  p[0]->MakeFloating(200, 200);
  EXPECT_EQ(p[0]->FloatDockSite(), fs);
  EXPECT_EQ(ff->Left(), 200);
  EXPECT_FALSE(made);
  // AllowFloating cannot change while floating; refused floating does nothing.
  p[0]->SetAllowFloating(false);
  EXPECT_TRUE(p[0]->AllowFloating());
  p[1]->DockTo(site, dtRight, -1);
  p[1]->SetAllowFloating(false);
  p[1]->MakeFloating(10, 10);
  EXPECT_EQ(p[1]->DockingState(), dsDocked);
}

TEST_F(FloatingTest, HiddenAndShownWithItsFormAndKeptAboveIt) {
  p[0]->MakeFloating(600, 300);
  TdxFloatForm* ff = p[0]->FloatForm();
  ASSERT_TRUE(ff && ff->HandleAllocated());
  // With doFloatingOnTop (a default) the float form's owner window is the form.
  EXPECT_TRUE(ff->OnTop());
  EXPECT_EQ(GetWindow(ff->Handle(), GW_OWNER), form->Handle());
  form->Hide();
  Pump();
  EXPECT_FALSE(IsWindowVisible(ff->Handle()));
  form->Show();
  Pump();
  EXPECT_TRUE(IsWindowVisible(ff->Handle()));
  // Hiding the control hides its float form; showing it shows the form again.
  p[0]->SetVisible(false);
  Pump();
  EXPECT_FALSE(ff->Visible());
  p[0]->SetVisible(true);
  Pump();
  EXPECT_TRUE(ff->Visible());
  // Without the option the form is no longer kept above.
  auto* m = new TdxDockingManager(form);
  m->SetOptions(m->Options() - TdxDockingOptions{doFloatingOnTop});
  EXPECT_FALSE(ff->OnTop());
}

TEST_F(FloatingTest, TheCloseBoxClosesTheControl) {
  bool closed = false;
  p[0]->OnClose = [&](TdxCustomDockControl*) { closed = true; };
  p[0]->MakeFloating(600, 300);
  TdxFloatForm* ff = p[0]->FloatForm();
  SendMessage(ff->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();
  EXPECT_TRUE(closed);
  EXPECT_FALSE(p[0]->Visible());
  EXPECT_FALSE(ff->Visible());
  EXPECT_EQ(p[0]->FloatForm(), ff);  // the control closed, the form did not go
}

TEST_F(FloatingTest, ACaptionDragDocksAndADoubleClickRedocksAtTheStoredPosition) {
  p[1]->DockTo(site, dtRight, -1);
  Pump();
  p[0]->MakeFloating(600, 300);
  Pump();
  TdxFloatForm* ff = p[0]->FloatForm();
  ASSERT_TRUE(ff);
  RECT wr;
  GetWindowRect(ff->Handle(), &wr);
  POINT caption{wr.Left + 30, wr.Top + 8};
  ASSERT_EQ(SendMessage(ff->Handle(), WM_NCHITTEST, 0, MAKELPARAM(caption.X, caption.Y)), HTCAPTION);
  // A press and release without moving does nothing.
  S().MouseDownAt(caption);
  S().MouseUpAt(caption);
  EXPECT_EQ(DockingController()->DockingControl(), nullptr);
  EXPECT_EQ(ff->Left(), wr.Left);
  S().Clock().Advance(1000);  // no double click
  // A press and a move starts drag docking; released on P2's client it tabs with P2.
  RECT target;
  GetWindowRect(p[1]->Handle(), &target);
  POINT to{(target.Left + target.Right) / 2, (target.Top + target.Bottom) / 2};
  S().MouseDownAt(caption);
  S().MoveMouseTo(POINT{caption.X + 5, caption.Y});
  ASSERT_EQ(DockingController()->DockingControl(), p[0]);
  S().MoveMouseTo(to);
  S().MouseUpAt(to);
  EXPECT_EQ(p[0]->DockingState(), dsDocked);
  EXPECT_EQ(Tree(site), "Site(L:client,T(P2:client,P1:client):right)");
  // Floated again from the tab by a double click, then back by a double click on the float
  // form's caption: the stored position puts it back into the tab container.
  auto* tc = p[1]->TabContainer();
  ASSERT_TRUE(tc);
  Pump();
  S().Clock().Advance(1000);
  TRect tab = tc->GetTabRect(1);
  S().DoubleClick(tc->Handle(), ClientPoint(tc, Center(tab)));
  Pump();
  ASSERT_EQ(p[0]->DockingState(), dsFloating);
  ff = p[0]->FloatForm();
  ASSERT_TRUE(ff);
  // The container dissolved as P1 left; P2, the sibling before, stands for the place.
  EXPECT_EQ(p[0]->DockPosition().Parent, nullptr);
  EXPECT_EQ(p[0]->DockPosition().SiblingBefore, p[1]);
  GetWindowRect(ff->Handle(), &wr);
  caption = POINT{wr.Left + 30, wr.Top + 8};
  InputMouseMove(caption);
  InputMouseButton(kMouseLeft, true, caption);
  InputMouseButton(kMouseLeft, false, caption);
  S().Clock().Advance(50);
  InputMouseButton(kMouseLeft, true, caption);
  InputMouseButton(kMouseLeft, false, caption);
  Pump();
  EXPECT_EQ(p[0]->DockingState(), dsDocked);
  EXPECT_EQ(Tree(site), "Site(L:client,T(P2:client,P1:client):right)");
}

TEST_F(FloatingTest, TheDockRulesFloatControlsThatMayNoLongerStayDocked) {
  p[1]->DockTo(site, dtRight, -1);
  Pump();
  // Its own dock type leaves AllowDock: it floats where it is, and may float from now on.
  TPoint at = p[0]->ClientToScreen(TPoint(0, 0));
  p[0]->SetAllowFloating(false);
  p[0]->SetAllowDock({dtClient, dtTop});
  ASSERT_EQ(p[0]->DockingState(), dsFloating);
  EXPECT_TRUE(p[0]->AllowFloating());
  EXPECT_EQ(p[0]->FloatForm()->Left(), at.X);
  // A parent refusing a child's type floats the child at the parent's client origin.
  TPoint origin = site->ClientToScreen(TPoint(0, 0));
  site->SetAllowDockClients({dtClient, dtLeft, dtTop, dtBottom});
  ASSERT_EQ(p[1]->DockingState(), dsFloating);
  EXPECT_EQ(p[1]->FloatForm()->Left(), origin.X);
  EXPECT_EQ(p[1]->FloatForm()->Top(), origin.Y);
  EXPECT_EQ(Tree(site), "Site");
}

TEST_F(FloatingTest, TheFloatSitesRules) {
  p[0]->MakeFloating(600, 300);
  TdxFloatDockSite* fs = p[0]->FloatDockSite();
  ASSERT_TRUE(fs);
  // Nothing docks into a float site.
  EXPECT_FALSE(fs->CanDockHost(p[1], dtClient));
  // Its parent is only ever its float form (any other form was let through before).
  EXPECT_THROW(
      {
        try {
          fs->BeginUpdateLayout();
          fs->SetParent(form);
        } catch (const Exception& e) {
          fs->EndUpdateLayout();
          EXPECT_STREQ(e.what(), "The Parent of the TdxFloatDockSite can only be TdxFloatForm.");
          throw;
        }
      },
      Exception);
  EXPECT_EQ(fs->Parent(), p[0]->FloatForm());
  try {
    fs->SetParent(nullptr);
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "You cannot set the parent for this component.");
  }
  // It cannot be deleted while it holds its live child.
  try {
    fs->Free();
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "You cannot delete a TdxFloatDockSite.");
  }
  EXPECT_EQ(p[0]->FloatDockSite(), fs);
  // Docked back, the empty site goes (later, from the posted message).
  watcher.Watch(fs);
  p[0]->DockTo(site, dtLeft, -1);
  Pump();
  EXPECT_TRUE(watcher.Freed(fs));
}

}  // namespace
