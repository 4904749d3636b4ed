// Drop and resize zones as tables: the zones each control offers (classes, owners, dock types,
// directions, rectangles) with the strips narrowing with depth, validation per owner and
// option, docking selections, tab previews clamped into the strip, resizing bars and new
// sizes with strict bounds, and previews that erase themselves.
#include "docking/dxDockZones.h"
#include "tests/docking/DockingTestSupport.h"
#include "vcl/Graphics.h"

using namespace docktest;

namespace {

// "Owner.Class:type:width" for each zone of a list, in list order.
String ZoneList(TdxCustomDockControl* c, bool resize = false) {
  String s;
  Integer n = resize ? c->ResizeZoneCount() : c->DockZoneCount();
  for (Integer i = 0; i < n; ++i) {
    TdxZone* z = resize ? c->ResizeZones(i) : c->DockZones(i);
    String cls = z->ClassName();
    cls = cls.substr(3);  // without "Tdx"
    if (i) s += " ";
    s += NameOf(z->Owner()) + "." + cls + ":" + TypeName(z->DockType());
    if (dynamic_cast<TdxEdgeZone*>(z)) s += ":" + IntToStr(z->Width());
  }
  return s;
}

String RectText(const TRect& r) {
  return "(" + IntToStr(r.Left) + "," + IntToStr(r.Top) + "," + IntToStr(r.Right) + "," + IntToStr(r.Bottom) + ")";
}

class DockZonesTest : public DockingFixture {
 protected:
  void Show() {
    site->SetAlign(alClient);
    form->Show();
    Pump();
  }
  TdxDockingManager* Manager() {
    if (!manager_) manager_ = new TdxDockingManager(form);
    return manager_;
  }
  TdxDockingManager* manager_ = nullptr;
};

TEST_F(DockZonesTest, ZonesOfEachControlOutermostFirstWithStripsNarrowingWithDepth) {
  Show();
  p[0]->DockTo(site, dtLeft, -1);
  // P1 two deep: its own strips 20 wide, the site's 10; the site offers no left and right
  // strips of P1's height.
  EXPECT_EQ(ZoneList(p[0]),
            "Site.BottomZone:bottom:10 Site.TopZone:top:10 P1.BottomZone:bottom:20 P1.TopZone:top:20 "
            "P1.RightZone:right:20 P1.LeftZone:left:20 P1.DockPanelClientZone:client");
  // Three deep after P2 docks on top: 20, 14 and 8 (zones are renewed once the sizes are
  // final, as a drag start does).
  p[1]->DockTo(site, dtTop, -1);
  ASSERT_EQ(Tree(site), "Site(L(L:client,P1:left):client,P2:top)");
  site->UpdateDockZones();
  EXPECT_EQ(ZoneList(p[0]),
            "Site.RightZone:right:8 Site.LeftZone:left:8 L.BottomZone:bottom:14 L.TopZone:top:14 "
            "P1.BottomZone:bottom:20 P1.TopZone:top:20 P1.RightZone:right:20 P1.LeftZone:left:20 "
            "P1.DockPanelClientZone:client");
  // The empty layout site takes a client dock, the site with children none.
  TdxCustomDockControl* empty = site->Children(0)->Children(0);
  EXPECT_EQ(ZoneList(empty).substr(0, 0), "");
  EXPECT_NE(ZoneList(empty).find("L.ClientZone:client"), String::npos);
  EXPECT_EQ(ZoneList(site).find("ClientZone"), String::npos);
  // Resize zones: the edge facing the rest of the parent.
  EXPECT_EQ(ZoneList(p[0], true), "P1.RightZone:right:3");
  EXPECT_EQ(ZoneList(p[1], true), "P2.BottomZone:bottom:3");
}

TEST_F(DockZonesTest, EdgeAndClientRectanglesDirectionsAndTypes) {
  Show();
  p[0]->DockTo(site, dtLeft, -1);
  Integer w = p[0]->Width(), h = p[0]->Height();
  struct Row {
    TdxZone* zone;
    TdxZoneDirection direction;
    TdxDockingType type;
    TRect rect;
  };
  TdxZone* zones[5];
  for (int i = 0; i < 5; ++i) zones[i] = p[0]->DockZones(2 + i);
  Row rows[] = {{zones[0], zdHorizontal, dtBottom, Rect(0, h - 20, w, h)},
                {zones[1], zdHorizontal, dtTop, Rect(0, 0, w, 20)},
                {zones[2], zdVertical, dtRight, Rect(w - 20, 0, w, h)},
                {zones[3], zdVertical, dtLeft, Rect(0, 0, 20, h)},
                {zones[4], zdClient, dtClient, Rect(0, 0, w, h)}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.zone->ClassName());
    EXPECT_EQ(r.zone->Direction(), r.direction);
    EXPECT_EQ(r.zone->DockType(), r.type);
    EXPECT_EQ(RectText(r.zone->GetRectangle()), RectText(r.rect));
    EXPECT_EQ(r.zone->Kind(), zkDock);
  }
  // A zone of width 0 or less is 20 wide.
  TdxLeftZone zero(p[0], 0, zkDock), negative(p[0], -5, zkDock);
  EXPECT_EQ(zero.Width(), 20);
  EXPECT_EQ(negative.Width(), 20);
}

TEST_F(DockZonesTest, ValidationPerOwnerAndOption) {
  Show();
  p[0]->DockTo(site, dtLeft, -1);
  p[1]->DockTo(p[0], dtClient, -1);  // a tab container of P1 and P2
  p[2]->DockTo(site, dtRight, -1);
  p[3]->DockTo(p[2], dtBottom, -1);  // a vertical side container of P3 and P4
  ASSERT_EQ(Tree(site), "Site(L(L:client,T(P1:client,P2:client):left):client,V(P3:top,P4:top):right)");
  TdxCustomDockControl* tc = p[0]->TabContainer();
  // The tab container: an appending tab zone and one zone per tab; a panel in it offers the
  // container's zone.
  EXPECT_NE(ZoneList(tc).find("T.TabContainerTabZone:client T.TabContainerTabZone:client"), String::npos);
  EXPECT_NE(ZoneList(tc).find("T.TabContainerZone:client"), String::npos);
  EXPECT_NE(ZoneList(p[0]).find("T.TabContainerZone:client"), String::npos);
  // The side container offers no zones of its own by default; with the nesting option it does.
  TdxCustomDockControl* vc = p[2]->SideContainer();
  EXPECT_EQ(ZoneList(p[2]).find("V."), String::npos);
  Manager()->SetOptions(Manager()->Options() + TdxDockingOptions{doSideContainerCanInSideContainer});
  EXPECT_NE(ZoneList(p[2]).find("V."), String::npos);
  // Docking through the caption area: caption zones, tested before the panel's own strips.
  Manager()->SetOptions(Manager()->Options() + TdxDockingOptions{doUseCaptionAreaToClientDocking});
  String tabbed = ZoneList(p[0]), plain = ZoneList(p[2]);
  EXPECT_LT(tabbed.find("T.TabContainerCaptionZone:client"), tabbed.find("P1.BottomZone"));
  EXPECT_EQ(tabbed.find("T.TabContainerZone:client"), String::npos);
  EXPECT_LT(plain.find("P3.DockPanelCaptionClientZone:client"), plain.find("P3.BottomZone"));
  EXPECT_EQ(plain.find("P3.DockPanelClientZone"), String::npos);
  // ... and a top strip starting below a horizontal caption.
  TdxZone* top = nullptr;
  for (Integer i = 0; i < p[2]->DockZoneCount(); ++i)
    if (p[2]->DockZones(i)->Owner() == p[2] && p[2]->DockZones(i)->DockType() == dtTop) top = p[2]->DockZones(i);
  ASSERT_TRUE(top);
  Integer a = p[2]->Painter()->GetCaptionHeight() + p[2]->Painter()->GetBorderWidth();
  EXPECT_EQ(top->GetRectangle().Top, a);
  EXPECT_EQ(vc->DockZoneCount() > 0, true);
  // A control refusing a dock type is offered no strip of it.
  p[2]->SetAllowDockClients({dtClient, dtLeft, dtRight, dtBottom});
  EXPECT_EQ(ZoneList(p[2]).find("P3.TopZone"), String::npos);
}

TEST_F(DockZonesTest, AutoSizeAndHiddenContentSitesTakeClientDocksOnly) {
  site->SetAlign(alLeft);
  site->SetWidth(15);
  site->SetAutoSize(true);
  form->Show();
  Pump();
  site->UpdateDockZones();
  EXPECT_EQ(ZoneList(site), "Site.AutoSizeClientZone:client");
  // The band along the form edge catches the point even beside the site's window.
  TdxZone* z = site->DockZones(0);
  RECT wr;
  GetWindowRect(site->Handle(), &wr);
  EXPECT_TRUE(z->IsZonePoint(TPoint(wr.Left + 2, wr.Top + 5)));
  EXPECT_TRUE(z->CanDock(p[0]));
  p[0]->SetOriginalWidth(120);
  p[0]->SetOriginalHeight(90);
  TRect sel = z->GetDockingSelection(p[0]);
  EXPECT_EQ(RectText(sel), RectText(Rect(wr.Left, wr.Top, wr.Left + 120, wr.Bottom)));

  // A site whose two children are hidden docks into the control standing for its client.
  TdxDockSite* other = new TdxDockSite(form);
  other->SetName("Other");
  other->SetBounds(0, 0, 300, 200);
  other->SetParent(form);
  p[1]->DockTo(other, dtLeft, -1);
  p[1]->SetVisible(false);
  other->UpdateDockZones();
  ASSERT_EQ(ZoneList(other),
            "Other.BottomZone:bottom:20 Other.TopZone:top:20 Other.RightZone:right:20 Other.LeftZone:left:20 "
            "Other.InvisibleClientZone:client");
  auto* invisible = static_cast<TdxInvisibleClientZone*>(other->DockZones(4));
  EXPECT_EQ(invisible->ClientTarget(), other->Children(0));
  EXPECT_TRUE(invisible->CanDock(p[2]));
  invisible->DoDock(p[2]);
  EXPECT_EQ(Tree(other), "Other(L(L:client,P3:client):client,P2:left)");
}

TEST_F(DockZonesTest, ResizeZoneValidationPerAlignmentAndDockType) {
  // The inner edge of an AutoSize site by its alignment.
  struct AlignCase {
    TAlign align;
    const char* edges;  // left, right, top, bottom
  };
  AlignCase aligns[] = {{alRight, "L"}, {alLeft, "R"}, {alBottom, "T"}, {alTop, "B"}, {alNone, "RB"}, {alClient, ""}};
  for (const AlignCase& c : aligns) {
    SCOPED_TRACE(c.edges);
    site->SetAlign(c.align);
    String got;
    if (TdxAutoSizeLeftZone::ValidateResizeZone(site)) got += "L";
    if (TdxAutoSizeRightZone::ValidateResizeZone(site)) got += "R";
    if (TdxAutoSizeTopZone::ValidateResizeZone(site)) got += "T";
    if (TdxAutoSizeBottomZone::ValidateResizeZone(site)) got += "B";
    EXPECT_EQ(got, c.edges);
  }
  // The edge facing the rest of the parent, by the dock type; none without a parent.
  struct TypeCase {
    TdxDockingType type;
    const char* edge;
  };
  TypeCase types[] = {{dtLeft, "R"}, {dtRight, "L"}, {dtTop, "B"}, {dtBottom, "T"}, {dtClient, ""}};
  for (const TypeCase& c : types) {
    SCOPED_TRACE(TypeName(c.type));
    p[0]->DockTo(site, c.type, -1);
    String got;
    if (TdxLeftZone::ValidateResizeZone(p[0])) got += "L";
    if (TdxRightZone::ValidateResizeZone(p[0])) got += "R";
    if (TdxTopZone::ValidateResizeZone(p[0])) got += "T";
    if (TdxBottomZone::ValidateResizeZone(p[0])) got += "B";
    EXPECT_EQ(got, c.edge);
    p[0]->UnDock();
  }
  EXPECT_FALSE(TdxRightZone::ValidateResizeZone(p[0]));
}

TEST_F(DockZonesTest, DockingSelectionsNeverWiderThanTheOwnerLessTwoFrames) {
  Show();
  p[0]->DockTo(site, dtLeft, -1);
  p[0]->SetWidth(150);
  RECT wr;
  GetWindowRect(p[0]->Handle(), &wr);
  Integer w = p[0]->Width(), h = p[0]->Height();
  struct Case {
    TdxDockingType type;
    Integer ow, oh;
    TRect expected;  // window coordinates
  };
  Case cases[] = {
      {dtLeft, 60, 0, Rect(0, 0, 60, h)},          {dtLeft, 500, 0, Rect(0, 0, w - 8, h)},
      {dtRight, 60, 0, Rect(w - 60, 0, w, h)},     {dtRight, 500, 0, Rect(8, 0, w, h)},
      {dtTop, 0, 50, Rect(0, 0, w, 50)},           {dtTop, 0, 900, Rect(0, 0, w, h - 8)},
      {dtBottom, 0, 50, Rect(0, h - 50, w, h)},    {dtBottom, 0, 900, Rect(0, 8, w, h)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(TypeName(c.type) + " " + IntToStr(c.ow) + "x" + IntToStr(c.oh));
    p[1]->SetOriginalWidth(c.ow);
    p[1]->SetOriginalHeight(c.oh);
    std::unique_ptr<TdxZone> z;
    switch (c.type) {
      case dtLeft: z.reset(new TdxLeftZone(p[0], 20, zkDock)); break;
      case dtRight: z.reset(new TdxRightZone(p[0], 20, zkDock)); break;
      case dtTop: z.reset(new TdxTopZone(p[0], 20, zkDock)); break;
      default: z.reset(new TdxBottomZone(p[0], 20, zkDock)); break;
    }
    TRect e = c.expected;
    EXPECT_EQ(RectText(z->GetDockingSelection(p[1])),
              RectText(Rect(e.Left + wr.Left, e.Top + wr.Top, e.Right + wr.Left, e.Bottom + wr.Top)));
  }
}

TEST_F(DockZonesTest, TabPreviewsAreClampedIntoTheStrip) {
  Show();
  p[0]->DockTo(site, dtLeft, -1);
  p[1]->DockTo(p[0], dtClient, -1);
  auto* tc = p[0]->TabContainer();
  ASSERT_TRUE(tc);
  TRect strip = tc->TabsRect();
  Integer h3 = 3 * 4;
  // A new tab with a caption wider than the strip: cut at the strip's right edge, at least
  // three frame widths wide.
  p[2]->SetCaption(String(200, 'W'));
  TdxTabContainerZone append(tc);
  TRect t = append.ClampedTabRect(p[2]);
  EXPECT_EQ(t.Right, strip.Right);
  EXPECT_LE(t.Left, strip.Right - h3);
  // A tab left of the strip (scrolled out) starts at the strip's left edge.
  TdxTabContainerTabZone first(tc, 0);
  TRect raw = first.GetTabRect(p[2]);
  EXPECT_EQ(RectText(raw), RectText(tc->GetTabRect(0)));
  struct Probe : TdxTabContainerZone {
    using TdxTabContainerZone::TdxTabContainerZone;
    TRect GetTabRect(TdxCustomDockControl*) override { return tab; }
    TRect tab;
  } probe(tc);
  probe.tab = Rect(strip.Left - 30, strip.Top, strip.Left - 25, strip.Bottom);
  t = probe.ClampedTabRect(p[2]);
  EXPECT_EQ(t.Left, strip.Left);
  EXPECT_EQ(t.Right, strip.Left + h3);
  probe.tab = Rect(strip.Right - 2, strip.Top, strip.Right + 40, strip.Bottom);
  t = probe.ClampedTabRect(p[2]);
  EXPECT_EQ(t.Right, strip.Right);
  EXPECT_EQ(t.Left, strip.Right - h3);
}

TEST_F(DockZonesTest, ResizingBarsAndNewSizesWithStrictBounds) {
  Show();
  p[0]->DockTo(site, dtLeft, -1);
  p[0]->SetWidth(150);
  ASSERT_EQ(p[0]->ResizeZoneCount(), 1);
  TdxZone* z = p[0]->ResizeZones(0);
  EXPECT_EQ(z->Kind(), zkResize);
  EXPECT_EQ(z->Direction(), zdVertical);
  RECT wr;
  GetWindowRect(p[0]->Handle(), &wr);
  EXPECT_EQ(RectText(z->GetResizingSelection(TPoint(200, 50))), RectText(Rect(196, wr.Top, 200, wr.Bottom)));
  Integer parentWidth = site->ClientWidth();
  p[0]->Constraints()->SetMinWidth(100);
  p[0]->Constraints()->SetMaxWidth(300);
  struct Case {
    Integer dx;
    bool accepted;
  };
  // New width 150 + dx: strictly between 100 and 300 and less than the parent's width.
  Case cases[] = {{-50, false}, {-49, true}, {149, true}, {150, false}, {-150, false}};
  TPoint start(wr.Right - 1, 50);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dx);
    Integer n = 0;
    EXPECT_EQ(z->GetResizingNewSize(start, TPoint(start.X + c.dx, 50), n), c.accepted);
    if (c.accepted) {
      EXPECT_EQ(n, 150 + c.dx);
    }
  }
  p[0]->Constraints()->SetMaxWidth(0);
  Integer n = 0;
  EXPECT_TRUE(z->GetResizingNewSize(start, TPoint(start.X + parentWidth - 151, 50), n));
  EXPECT_FALSE(z->GetResizingNewSize(start, TPoint(start.X + parentWidth - 150, 50), n));
  // OnCanResize refuses as well.
  p[0]->OnCanResize = [](TObject*, Integer& w, Integer&, bool& resize) { resize = w < 200; };
  EXPECT_TRUE(z->GetResizingNewSize(start, TPoint(start.X + 49, 50), n));
  EXPECT_FALSE(z->GetResizingNewSize(start, TPoint(start.X + 50, 50), n));
}

TEST_F(DockZonesTest, ADockingFrameDrawnTwiceLeavesThePixelsAsTheyWere) {
  Show();
  p[0]->DockTo(site, dtLeft, -1);
  TBitmap bmp;
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(200, 150);
  bmp.Canvas()->Brush()->SetColor(clTeal);
  bmp.Canvas()->FillRect(Rect(0, 0, 200, 150));
  bmp.Canvas()->SetPixels(10, 10, clRed);
  auto snapshot = [&] {
    std::vector<TColor> px;
    for (int y = 0; y < 150; y += 3)
      for (int x = 0; x < 200; x += 3) px.push_back(bmp.Canvas()->Pixels(x, y));
    return px;
  };
  auto before = snapshot();
  HDC dc = bmp.Canvas()->Handle();
  HGDIOBJ old = SelectObject(dc, DockingController()->SelectionBrush());
  TdxZone::DrawFrameBars(dc, Rect(5, 5, 120, 90), 4);
  EXPECT_NE(snapshot(), before);
  TdxZone::DrawFrameBars(dc, Rect(5, 5, 120, 90), 4);
  dxDrawTabbedSelection(dc, Rect(5, 5, 150, 120), Rect(20, 80, 70, 100), tctpBottom, 4);
  dxDrawTabbedSelection(dc, Rect(5, 5, 150, 120), Rect(20, 80, 70, 100), tctpBottom, 4);
  dxDrawTabbedSelection(dc, Rect(5, 5, 150, 120), Rect(20, 10, 70, 30), tctpTop, 4);
  dxDrawTabbedSelection(dc, Rect(5, 5, 150, 120), Rect(20, 10, 70, 30), tctpTop, 4);
  SelectObject(dc, old);
  EXPECT_EQ(snapshot(), before);
}

}  // namespace
