// Drag docking and resizing with injected mouse input on a shown form: a press on a caption
// or a tab starts a drag once the pointer leaves it; releasing over each kind of zone builds
// the tree that zone promises, over no zone the control floats; Ctrl, Esc, the right button
// and deactivating the application; the events in order; the preview on the screen and the
// screen as it was afterwards; resizing edges, splits and slid-out controls.
#include "docking/dxDockZones.h"
#include "tests/docking/DockingTestSupport.h"

using namespace docktest;

namespace {

TRect WindowRectOf(TWinControl* c) {
  RECT r;
  GetWindowRect(c->Handle(), &r);
  return r;
}

// A screen point at window coordinates of a control.
POINT At(TWinControl* c, TPoint window) {
  TRect r = WindowRectOf(c);
  return POINT{r.Left + window.X, r.Top + window.Y};
}

POINT CaptionPoint(TdxCustomDockControl* c) {
  TPoint t = TPoint((c->CaptionTextRect().Left + c->CaptionTextRect().Right) / 2,
                    (c->CaptionTextRect().Top + c->CaptionTextRect().Bottom) / 2);
  return At(c, t);
}

POINT CenterOf(TWinControl* c) {
  TRect r = WindowRectOf(c);
  return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

// Screen pixels over a rectangle, every other row (both parities of the halftone brush).
std::vector<COLORREF> ScreenPixels(const TRect& r) {
  std::vector<COLORREF> px;
  HDC dc = GetDC(nullptr);
  for (int y = r.Top; y < r.Bottom; y += 2)
    for (int x = r.Left; x < r.Right; ++x) px.push_back(GetPixel(dc, x, y));
  ReleaseDC(nullptr, dc);
  return px;
}

class DragDockingTest : public DockingFixture {
 protected:
  // Site(L(L, P1:left), P2:right) filling a shown form; P3 and P4 undocked.
  void SetUp() override {
    DockingFixture::SetUp();
    site->SetAlign(alClient);
    p[0]->SetCaption("One");
    p[1]->SetCaption("Two");
    p[2]->SetCaption("Three");
    p[3]->SetCaption("Four");
    p[0]->DockTo(site, dtLeft, -1);
    p[1]->DockTo(site, dtRight, -1);
    form->Show();
    Pump();
  }
  // Logs drag events as "Name.Event".
  void RecordDrag(TdxCustomDockControl* c) {
    c->OnStartDocking = [this](TdxCustomDockControl* s, Integer, Integer) { log.push_back(s->Name() + ".StartDocking"); };
    c->OnDocking = [this](TdxCustomDockControl* s, TdxZone* z, Integer, Integer, bool&) {
      String e = s->Name() + ".Docking(" + (z ? String(z->ClassName()) : String("nil")) + ")";
      if (log.empty() || log.back() != e) log.push_back(e);
    };
    c->OnEndDocking = [this](TdxCustomDockControl* s, TdxZone* z, Integer, Integer) {
      log.push_back(s->Name() + ".EndDocking(" + (z ? String(z->ClassName()) : String("nil")) + ")");
    };
    c->OnDock = [this](TdxCustomDockControl* s, TdxCustomDockControl* site, TdxDockingType t, Integer) {
      log.push_back(s->Name() + ".Dock(" + NameOf(site) + "," + TypeName(t) + ")");
    };
    c->OnMakeFloating = [this](TdxCustomDockControl* s, Integer, Integer) { log.push_back(s->Name() + ".MakeFloating"); };
  }
  TdxCustomDockControl* EmptyLayoutSite() { return site->Children(0)->Children(0); }
};

TEST_F(DragDockingTest, APressOnTheCaptionStartsADragOnceThePointerLeavesIt) {
  POINT press = CaptionPoint(p[0]);
  S().MouseDownAt(press);
  S().MoveMouseTo(POINT{press.X + 3, press.Y + 1});
  EXPECT_EQ(DockingController()->DockingControl(), nullptr);
  S().MoveMouseTo(POINT{press.X + 3, press.Y + 40});
  EXPECT_EQ(DockingController()->DockingControl(), p[0]);
  // Esc cancels: nothing changes.
  String before = Tree(site);
  S().KeyDown(VK_ESCAPE);
  S().KeyUp(VK_ESCAPE);
  EXPECT_EQ(DockingController()->DockingControl(), nullptr);
  S().MouseUpAt(POINT{press.X + 3, press.Y + 40});
  EXPECT_EQ(Tree(site), before);
}

TEST_F(DragDockingTest, ReleasingOverEachZoneGivesTheTreeItPromises) {
  struct Case {
    const char* name;
    int panel;
    std::function<POINT()> target;
    const char* tree;
  };
  Case cases[] = {
      {"a panel's client", 0, [&] { return CenterOf(p[1]); }, "Site(L:client,T(P2:client,P1:client):right)"},
      {"a panel's left edge", 0, [&] { return At(p[1], TPoint(5, p[1]->Height() / 2)); },
       "Site(L:client,H(P1:left,P2:left):right)"},
      {"the empty layout site", 1, [&] { return CenterOf(EmptyLayoutSite()); }, "Site(L(L:client,P2:client):client,P1:left)"},
      {"the dock site's top edge", 0, [&] { return At(site, TPoint(site->Width() / 2, 3)); },
       "Site(L(L:client,P2:right):client,P1:top)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TdxDockPanel* moving = p[c.panel];
    log.clear();
    RecordDrag(moving);
    S().MouseDownAt(CaptionPoint(moving));
    POINT to = c.target();
    S().MoveMouseTo(POINT{to.X, to.Y - 1});
    S().MoveMouseTo(to);
    ASSERT_EQ(DockingController()->DockingControl(), moving);
    ASSERT_TRUE(moving->DockingZone());
    S().MouseUpAt(to);
    EXPECT_EQ(Tree(site), c.tree);
    EXPECT_EQ(CheckInvariants(site), "");
    EXPECT_EQ(log.front(), moving->Name() + ".StartDocking");
    // ... the last preview's zone docks, then the end reports that zone.
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[log.size() - 2].substr(0, moving->Name().size() + 6), moving->Name() + ".Dock(");
    String zone = log[log.size() - 3].substr(log[log.size() - 3].find('('));
    EXPECT_EQ(log.back(), moving->Name() + ".EndDocking" + zone);
    // Put the tree back for the next case.
    moving->OnDock = nullptr;
    p[0]->UnDock();
    p[1]->UnDock();
    p[0]->DockTo(site, dtLeft, -1);
    p[1]->DockTo(site, dtRight, -1);
    Pump();
    ASSERT_EQ(Tree(site), "Site(L(L:client,P1:left):client,P2:right)");
  }
}

// Drags P1 from its caption to `to` and releases there.
#define DRAG_P1_TO(to)                         \
  do {                                         \
    POINT to_ = (to);                          \
    S().MouseDownAt(CaptionPoint(p[0]));       \
    S().MoveMouseTo(POINT{to_.X, to_.Y - 1});  \
    S().MoveMouseTo(to_);                      \
    S().MouseUpAt(to_);                        \
  } while (0)

TEST_F(DragDockingTest, CaptionZonesAndFloatFormCaptions) {
  auto* m = new TdxDockingManager(form);
  m->SetOptions(m->Options() + TdxDockingOptions{doUseCaptionAreaToClientDocking});
  Pump();
  // Over P2's caption: a client dock (a tab container).
  DRAG_P1_TO(CaptionPoint(p[1]));
  EXPECT_EQ(Tree(site), "Site(L:client,T(P2:client,P1:client):right)");
  // Over a float form's caption: into the floating control.
  p[0]->UnDock();
  p[0]->DockTo(site, dtLeft, -1);
  p[2]->MakeFloating(700, 300);
  Pump();
  RECT wr;
  GetWindowRect(p[2]->FloatForm()->Handle(), &wr);
  DRAG_P1_TO((POINT{wr.Left + 40, wr.Top + 8}));
  ASSERT_TRUE(p[0]->TabContainer());
  EXPECT_EQ(p[0]->TabContainer(), p[2]->TabContainer());
  EXPECT_EQ(p[0]->TabContainer()->DockingState(), dsFloating);
}

TEST_F(DragDockingTest, AnAutoSizeSitesEdgeBandAndASiteWhoseContentIsHidden) {
  site->SetAlign(alNone);
  site->SetBounds(0, 0, 300, 300);
  auto* edge = new TdxDockSite(form);
  edge->SetName("Edge");
  edge->SetParent(form);
  edge->SetAlign(alRight);
  edge->SetWidth(0);
  edge->SetAutoSize(true);
  Pump();
  p[0]->SetOriginalWidth(120);
  // Over the empty AutoSize site's band along the form's right edge.
  TRect fr = WindowRectOf(form);
  POINT band{form->ClientToScreen(TPoint(form->ClientWidth() - 5, 0)).X, (fr.Top + fr.Bottom) / 2};
  DRAG_P1_TO(band);
  EXPECT_EQ(Tree(edge), "Edge(L:client,P1:client)");
  EXPECT_EQ(edge->Width(), 120);
  // A site whose content is hidden takes a drop onto the control standing for its client.
  p[1]->SetVisible(false);
  Pump();
  ASSERT_EQ(Tree(site), "Site(L:client,P2:right)");
  DRAG_P1_TO(CenterOf(site));
  EXPECT_EQ(Tree(site), "Site(L(L:client,P1:client):client,P2:right)");
  EXPECT_EQ(Tree(edge), "Edge");
}

TEST_F(DragDockingTest, TabPositionsAndCaptionZonesOfTabContainers) {
  p[2]->DockTo(p[1], dtClient, -1);
  Pump();
  auto* tc = p[1]->TabContainer();
  ASSERT_TRUE(tc);
  ASSERT_EQ(Tree(tc), "T(P2:client,P3:client)");
  // Released over the second tab: P1 joins at its index.
  TRect tab1 = tc->GetTabRect(1);
  POINT over = At(tc, TPoint((tab1.Left + tab1.Right) / 2, (tab1.Top + tab1.Bottom) / 2));
  S().MouseDownAt(CaptionPoint(p[0]));
  S().MoveMouseTo(POINT{over.X, over.Y - 20});
  S().MoveMouseTo(over);
  ASSERT_TRUE(p[0]->DockingZone());
  EXPECT_EQ(p[0]->DockingZone()->DockIndex(), 1);
  S().MouseUpAt(over);
  EXPECT_EQ(Tree(tc), "T(P2:client,P1:client,P3:client)");
  // A pressed tab dragged out of its rectangle floats its control over no zone.
  Pump();
  TRect tab2 = tc->GetTabRect(2);
  POINT press = At(tc, TPoint((tab2.Left + tab2.Right) / 2, (tab2.Top + tab2.Bottom) / 2));
  S().MouseDownAt(press);
  S().MoveMouseTo(POINT{press.X + 1, press.Y});
  EXPECT_EQ(DockingController()->DockingControl(), nullptr);
  S().MoveMouseTo(POINT{press.X, press.Y + 300});
  EXPECT_EQ(DockingController()->DockingControl(), p[2]);
  S().MouseUpAt(POINT{1000, 700});
  EXPECT_EQ(p[2]->DockingState(), dsFloating);
  EXPECT_EQ(Tree(tc), "T(P2:client,P1:client)");
}

TEST_F(DragDockingTest, OverNoZoneTheControlFloatsAtTheFrameUnlessFloatingIsRefused) {
  RecordDrag(p[0]);
  TRect before = WindowRectOf(p[0]);
  POINT press = CaptionPoint(p[0]);
  S().MouseDownAt(press);
  S().MoveMouseTo(POINT{press.X, press.Y + 400});
  TPoint grab = p[0]->GrabOffset();
  EXPECT_EQ(grab.X, press.X - before.Left);
  EXPECT_EQ(grab.Y, press.Y - before.Top);
  EXPECT_EQ(p[0]->DockingZone(), nullptr);
  POINT release{900, 600};
  S().MouseUpAt(release);
  ASSERT_EQ(p[0]->DockingState(), dsFloating);
  TdxFloatForm* ff = p[0]->FloatForm();
  ASSERT_TRUE(ff);
  EXPECT_EQ(ff->Left(), release.X - grab.X);
  EXPECT_EQ(ff->Top(), release.Y - grab.Y);
  // (No target under the point: no Docking event.)
  EXPECT_EQ(log, (std::vector<String>{"P1.StartDocking", "P1.MakeFloating", "P1.EndDocking(nil)"}));

  // With AllowFloating False nothing happens, and the cursor says so.
  p[1]->SetAllowFloating(false);
  String tree = Tree(site);
  press = CaptionPoint(p[1]);
  S().MouseDownAt(press);
  S().MoveMouseTo(POINT{press.X - 300, press.Y + 440});
  S().MoveMouseTo(POINT{press.X - 300, press.Y + 450});
  ASSERT_EQ(DockingController()->DockingControl(), p[1]);
  EXPECT_EQ(GetCursor(), ScreenCursorHandle(crNo));
  S().MouseUpAt(POINT{press.X - 300, press.Y + 450});
  EXPECT_EQ(Tree(site), tree);
  EXPECT_EQ(p[1]->DockingState(), dsDocked);
}

TEST_F(DragDockingTest, CtrlSwitchesToTheFloatingFrameAtOnce) {
  POINT to = CenterOf(p[1]);
  S().MouseDownAt(CaptionPoint(p[0]));
  S().MoveMouseTo(POINT{to.X, to.Y - 1});
  S().MoveMouseTo(to);
  ASSERT_TRUE(p[0]->DockingZone());
  S().KeyDown(VK_CONTROL);
  EXPECT_EQ(p[0]->DockingZone(), nullptr);
  S().KeyUp(VK_CONTROL);
  EXPECT_TRUE(p[0]->DockingZone());
  S().KeyDown(VK_CONTROL);
  S().MouseUpAt(to);
  S().KeyUp(VK_CONTROL);
  EXPECT_EQ(p[0]->DockingState(), dsFloating);
}

TEST_F(DragDockingTest, TheRightButtonAndDeactivatingTheApplicationCancel) {
  String tree = Tree(site);
  for (int way = 0; way < 2; ++way) {
    SCOPED_TRACE(way);
    POINT press = CaptionPoint(p[0]);
    S().MouseDownAt(press);
    S().MoveMouseTo(CenterOf(p[1]));
    ASSERT_EQ(DockingController()->DockingControl(), p[0]);
    if (way == 0)
      S().MouseDownAt(CenterOf(p[1]), kMouseRight);
    else
      SendMessage(form->Handle(), WM_ACTIVATEAPP, 0, 0);
    EXPECT_EQ(DockingController()->DockingControl(), nullptr);
    S().MouseUpAt(CenterOf(p[1]));
    if (way == 0) S().MouseUpAt(CenterOf(p[1]), kMouseRight);
    EXPECT_EQ(Tree(site), tree);
  }
}

TEST_F(DragDockingTest, ThePreviewShowsOnTheScreenAndGoesAfterwards) {
  TRect area = WindowRectOf(form);
  Pump();
  auto before = ScreenPixels(area);
  POINT to = CenterOf(p[1]);
  S().MouseDownAt(CaptionPoint(p[0]));
  S().MoveMouseTo(POINT{to.X, to.Y - 1});
  S().MoveMouseTo(to);
  EXPECT_NE(ScreenPixels(area), before);
  S().SnapshotScreen("dock_drag_preview.png");
  S().KeyDown(VK_ESCAPE);
  S().KeyUp(VK_ESCAPE);
  S().MouseUpAt(to);
  Pump();
  EXPECT_EQ(ScreenPixels(area), before);
}

TEST_F(DragDockingTest, ResizingByDraggingAnEdgeKeepsTheLastAcceptedPosition) {
  p[0]->Constraints()->SetMaxWidth(250);
  Integer width = p[0]->Width();
  TRect wr = WindowRectOf(p[0]);
  POINT edge{wr.Right - 1, (wr.Top + wr.Bottom) / 2};
  // The resize cursor over the edge.
  S().MoveMouseTo(edge);
  EXPECT_EQ(GetCursor(), ScreenCursorHandle(crHSplit));
  S().MouseDownAt(edge);
  ASSERT_EQ(DockingController()->ResizingControl(), p[0]);
  S().MoveMouseTo(POINT{edge.X + 30, edge.Y});
  S().MoveMouseTo(POINT{edge.X + 500, edge.Y});  // refused: the bar stays
  EXPECT_EQ(p[0]->ResizePoint().X, edge.X + 30);
  S().MouseUpAt(POINT{edge.X + 500, edge.Y});
  EXPECT_EQ(p[0]->Width(), width + 30);
  // Esc keeps the size.
  wr = WindowRectOf(p[0]);
  edge = POINT{wr.Right - 1, (wr.Top + wr.Bottom) / 2};
  S().MouseDownAt(edge);
  S().MoveMouseTo(POINT{edge.X - 40, edge.Y});
  S().KeyDown(VK_ESCAPE);
  S().KeyUp(VK_ESCAPE);
  S().MouseUpAt(POINT{edge.X - 40, edge.Y});
  EXPECT_EQ(p[0]->Width(), width + 30);
}

TEST_F(DragDockingTest, ResizingAnAutoSizeSitesEdgeAndASlidOutControl) {
  site->SetAlign(alNone);
  site->SetBounds(0, 0, 300, 300);
  auto* edge = new TdxDockSite(form);
  edge->SetName("Edge");
  edge->SetParent(form);
  edge->SetAlign(alRight);
  edge->SetWidth(0);
  edge->SetAutoSize(true);
  p[2]->SetOriginalWidth(100);
  p[2]->DockTo(edge, dtClient, -1);
  Pump();
  ASSERT_EQ(edge->Width(), 100);
  p[2]->UpdateResizeZones();
  ASSERT_GE(p[2]->ResizeZoneCount(), 1);
  EXPECT_EQ(p[2]->ResizeZones(0)->ClassName(), "TdxAutoSizeLeftZone");
  TRect wr = WindowRectOf(p[2]);
  POINT inner{wr.Left + 1, (wr.Top + wr.Bottom) / 2};
  S().MouseDownAt(inner);
  ASSERT_EQ(DockingController()->ResizingControl(), p[2]);
  S().MoveMouseTo(POINT{inner.X - 30, inner.Y});
  S().MouseUpAt(POINT{inner.X - 30, inner.Y});
  EXPECT_EQ(edge->Width(), 130);

  // A control slid out from the bottom bar: its top edge.
  p[1]->SetAutoHide(true);
  Pump();
  TdxDockSite* host = p[1]->AutoHideHostSite();
  ASSERT_TRUE(host);
  host->ShowControlImmediately(p[1]);
  Pump();
  ASSERT_EQ(host->ShownControl(), p[1]);
  p[1]->UpdateResizeZones();
  ASSERT_GE(p[1]->ResizeZoneCount(), 1);
  String cls = p[1]->ResizeZones(0)->ClassName();
  Integer width = p[1]->Width();
  wr = WindowRectOf(p[1]);
  POINT side = cls == "TdxAutoHideLeftZone" ? POINT{wr.Left + 1, (wr.Top + wr.Bottom) / 2}
                                              : POINT{wr.Right - 2, (wr.Top + wr.Bottom) / 2};
  Integer dx = cls == "TdxAutoHideLeftZone" ? -25 : 25;
  S().MouseDownAt(side);
  ASSERT_EQ(DockingController()->ResizingControl(), p[1]) << cls;
  S().MoveMouseTo(POINT{side.X + dx, side.Y});
  S().MouseUpAt(POINT{side.X + dx, side.Y});
  EXPECT_EQ(p[1]->Width(), width + 25);
  EXPECT_EQ(p[1]->OriginalWidth(), width + 25);
}

TEST_F(DragDockingTest, ResizingTheSplitOfASideContainer) {
  p[2]->DockTo(p[1], dtBottom, -1);
  Pump();
  auto* sc = p[1]->SideContainer();
  ASSERT_TRUE(sc);
  p[1]->UpdateResizeZones();
  Integer h1 = p[1]->Height(), h3 = p[2]->Height();
  TRect wr = WindowRectOf(p[1]);
  POINT split{(wr.Left + wr.Right) / 2, wr.Bottom - 1};
  S().MouseDownAt(split);
  ASSERT_EQ(DockingController()->ResizingControl(), p[1]);
  S().MoveMouseTo(POINT{split.X, split.Y + 25});
  S().MouseUpAt(POINT{split.X, split.Y + 25});
  EXPECT_EQ(p[1]->Height(), h1 + 25);
  EXPECT_EQ(p[2]->Height(), h3 - 25);
}

}  // namespace
