// The docking painters: PNG sheets of the standard, NET and Office views (borders, captions
// with every button state, tabs on both sides with scroll buttons, hide bars on all edges),
// the colour shades, edge lines and metrics as tables, the XP view's theme calls and its
// standard drawing with themes off, and frames painted through the window's frame message.
#include "docking/dxDockControlNETView.h"
#include "docking/dxDockControlOfficeView.h"
#include "docking/dxDockControlXPView.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxUxTheme.h"
#include "tests/docking/DockingTestSupport.h"
#include "tests/support/TestSupport.h"
#include "vcl/ImgList.h"

using namespace docktest;

namespace {

class DockPaintersTest : public DockingFixture {
 protected:
  void SetUp() override {
    DockingFixture::SetUp();
    manager = new TdxDockingManager(form);
    site->SetAlign(alClient);
    p[0]->SetCaption("Panel");
    p[1]->SetCaption("Top");
    p[2]->SetCaption("Files");
    p[3]->SetCaption("Output");
    p[0]->DockTo(site, dtLeft, -1);
    p[1]->DockTo(site, dtTop, -1);  // a vertical caption in the standard view
    p[2]->DockTo(site, dtBottom, -1);
    p[3]->DockTo(p[2], dtClient, -1);
    tc = dynamic_cast<TdxTabContainerDockSite*>(p[2]->ParentDockControl());
    tc->SetActiveChild(p[3]);
  }
  void UseImages() {
    images = new TImageList(form);
    images->SetWidth(16);
    images->SetHeight(16);
    for (TColor c : {clRed, clGreen}) {
      TBitmap b;
      b.SetSize(16, 16);
      b.Canvas()->Brush()->SetColor(clWhite);
      b.Canvas()->FillRect(Rect(0, 0, 16, 16));
      b.Canvas()->Brush()->SetColor(c);
      b.Canvas()->FillRect(Rect(3, 3, 13, 13));
      images->AddMasked(&b, clWhite);
    }
    manager->SetImages(images);
  }
  // One sheet of a view: rows of borders and captions, tabs and hide bars.
  void DrawSheet(TCanvas* c, bool withVertical) {
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, 1000, 640));
    TdxDockControlPainter* h = p[0]->Painter();
    h->DrawBorder(c, Rect(10, 10, 90, 60));
    // Captions: active and inactive; buttons normal, hot, pressed, pressed away, switched.
    struct State {
      bool down, hot, switched;
    } states[] = {{false, false, false}, {false, true, false}, {true, true, false}, {true, false, false},
                  {false, false, true}};
    Integer size = h->GetCaptionButtonSize(), height = h->GetCaptionHeight();
    for (int active = 0; active < 2; ++active) {
      Integer y = 10 + active * 30;
      TRect caption = Rect(100, y, 420, y + height);
      h->DrawCaption(c, caption, active);
      h->DrawCaptionText(c, Rect(104, y, 180, y + height), active);
      for (int s = 0; s < 5; ++s) {
        Integer x = 190 + s * 46, top = y + (height - size) / 2;
        h->DrawCaptionCloseButton(c, Rect(x, top, x + size, top + size), active, states[s].down, states[s].hot, false);
        h->DrawCaptionHideButton(c, Rect(x + 14, top, x + 14 + size, top + size), active, states[s].down,
                                 states[s].hot, states[s].switched);
        h->DrawCaptionMaximizeButton(c, Rect(x + 28, top, x + 28 + size, top + size), active, states[s].down,
                                     states[s].hot, states[s].switched);
      }
    }
    if (withVertical) {
      TdxDockControlPainter* v = p[1]->Painter();
      for (int active = 0; active < 2; ++active) {
        Integer x = 440 + active * 30;
        v->DrawCaption(c, Rect(x, 10, x + 16, 150), active);
        v->DrawCaptionText(c, Rect(x, 60, x + 16, 146), active);
        v->DrawCaptionCloseButton(c, Rect(x + 2, 14, x + 14, 26), active, false, false, false);
        v->DrawCaptionHideButton(c, Rect(x + 2, 28, x + 14, 40), active, false, true, false);
        v->DrawCaptionMaximizeButton(c, Rect(x + 2, 42, x + 14, 54), active, true, true, false);
      }
    }
    // Tabs on both sides with scroll buttons enabled and disabled.
    TdxDockControlPainter* t = tc->Painter();
    Integer th = t->GetTabsHeight();
    for (int side = 0; side < 2; ++side) {
      auto position = side ? tctpBottom : tctpTop;
      Integer y = 170 + side * (th + 20);
      TRect strip = Rect(10, y, 500, y + th);
      Integer top = y + 2 + (side ? 2 : 0), bottom = y + th - 2 - (side ? 0 : 2);
      TRect active = Rect(80, top, 160, bottom);
      t->DrawTabs(c, strip, active, position);
      t->DrawTab(c, p[2], Rect(14, top, 80, bottom), false, position);
      t->DrawTab(c, p[3], active, true, position);
      t->DrawTab(c, p[0], Rect(160, top, 230, bottom), false, position);
      Integer by = y + 2 + (th - 2 - 16) / 2;
      t->DrawTabsScrollLeftButton(c, Rect(440, by, 456, by + 16), false, false, side == 1, position);
      t->DrawTabsScrollRightButton(c, Rect(457, by, 473, by + 16), side == 0, side == 0, true, position);
    }
    // Hide bars on the four edges: a plain button and a tab container's button.
    Integer bw = h->GetHideBarWidth(), bh = h->GetHideBarHeight();
    struct Bar {
      TdxAutoHidePosition position;
      TRect bar;
    } bars[] = {{ahpTop, Rect(10, 280, 500, 280 + bh)},
                {ahpBottom, Rect(10, 330, 500, 330 + bh)},
                {ahpLeft, Rect(520, 170, 520 + bw, 620)},
                {ahpRight, Rect(580, 170, 580 + bw, 620)}};
    for (const Bar& b : bars) {
      t->DrawHideBar(c, b.bar, b.position);
      bool vertical = b.position == ahpLeft || b.position == ahpRight;
      TRect plain = vertical ? Rect(b.bar.Left + 2, b.bar.Top + 4, b.bar.Right - 2, b.bar.Top + 84)
                             : Rect(b.bar.Left + 4, b.bar.Top + 2, b.bar.Left + 84, b.bar.Bottom - 2);
      TRect tab = vertical ? Rect(b.bar.Left + 2, b.bar.Top + 100, b.bar.Right - 2, b.bar.Top + 230)
                           : Rect(b.bar.Left + 100, b.bar.Top + 2, b.bar.Left + 230, b.bar.Bottom - 2);
      SelectClipRgn(c->Handle(), nullptr);
      t->DrawHideBarButton(c, p[0], plain, b.position);
      t->DrawHideBarButton(c, tc, tab, b.position);
    }
    SelectClipRgn(c->Handle(), nullptr);
  }
  String WriteSheet(const String& name, bool withVertical) {
    TBitmap sheet;
    sheet.SetSize(1000, 640);
    DrawSheet(sheet.Canvas(), withVertical);
    String path = testing_support::SheetPath(name);
    sheet.SaveToPngFile(path);
    return path;
  }
  TdxDockingManager* manager = nullptr;
  TdxTabContainerDockSite* tc = nullptr;
  TImageList* images = nullptr;
};

TEST_F(DockPaintersTest, SheetsOfTheViews) {
  WriteSheet("dock_standard.png", true);
  manager->SetViewStyle(vsNET);
  WriteSheet("dock_net.png", false);
  manager->SetViewStyle(vsOffice11);
  WriteSheet("dock_office.png", false);
  UseImages();
  p[0]->SetImageIndex(0);
  p[2]->SetImageIndex(1);
  p[3]->SetImageIndex(7);  // outside the list: no image
  manager->SetViewStyle(vsStandard);
  WriteSheet("dock_standard_images.png", true);
  manager->SetViewStyle(vsOffice11);
  WriteSheet("dock_office_images.png", false);
}

TEST_F(DockPaintersTest, ImageIndexesOutsideTheListDrawNoImage) {
  UseImages();
  TdxDockControlPainter* painter = p[0]->Painter();
  auto draw = [&](Integer index) {
    p[0]->SetImageIndex(index);
    auto b = std::make_unique<TBitmap>();
    b->SetSize(120, 30);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->FillRect(Rect(0, 0, 120, 30));
    painter->DrawTabContent(b->Canvas(), p[0], Rect(0, 0, 120, 30), true, tctpTop);
    painter->DrawHideBarButtonContent(b->Canvas(), p[0], Rect(0, 0, 120, 30), ahpTop);
    return b;
  };
  auto same = [](TBitmap* a, TBitmap* b) {
    for (Integer y = 0; y < 30; ++y)
      for (Integer x = 0; x < 120; ++x)
        if (a->Canvas()->Pixels(x, y) != b->Canvas()->Pixels(x, y)) return false;
    return true;
  };
  auto none = draw(-1);
  for (Integer index : {2, 99, -7}) EXPECT_TRUE(same(draw(index).get(), none.get())) << index;
  EXPECT_FALSE(same(draw(0).get(), none.get()));
}

TEST_F(DockPaintersTest, ColourShadesAndPaleColours) {
  struct Case {
    TColor color;
    TColor light, lightLight, dark, darkDark, pale;
  };
  const TColor face = TColor(RGB(212, 208, 200));
  const Case cases[] = {
      {TColor(RGB(255, 255, 255)), TColor(RGB(255, 255, 255)), TColor(RGB(255, 255, 255)), TColor(RGB(153, 153, 153)),
       TColor(RGB(51, 51, 51)), TColor(RGB(255, 255, 255))},
      {face, TColor(RGB(229, 227, 222)), TColor(RGB(246, 246, 244)), TColor(RGB(127, 125, 120)),
       TColor(RGB(42, 42, 40)), TColor(RGB(247, 243, 235))},
      {TColor(RGB(0, 0, 0)), TColor(RGB(102, 102, 102)), TColor(RGB(204, 204, 204)), TColor(RGB(0, 0, 0)),
       TColor(RGB(0, 0, 0)), TColor(RGB(35, 35, 35))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(IntToStr(Integer(c.color)));
    EXPECT_EQ(TdxDockControlPainter::LightColor(c.color), c.light);
    EXPECT_EQ(TdxDockControlPainter::LightLightColor(c.color), c.lightLight);
    EXPECT_EQ(TdxDockControlPainter::DarkColor(c.color), c.dark);
    EXPECT_EQ(TdxDockControlPainter::DarkDarkColor(c.color), c.darkDark);
    EXPECT_EQ(TdxDockControlNETPainter::PaleColorOf(c.color), c.pale);
  }
}

TEST_F(DockPaintersTest, EdgeLinesBySidesAndStyle) {
  const TColor face = TColor(RGB(212, 208, 200));
  struct Case {
    Integer sides, style;
    TColor left, top, right, bottom;  // clWhite where no line
  };
  const TColor L = TdxDockControlPainter::LightColor(face), D = TdxDockControlPainter::DarkColor(face);
  const TColor LL = TdxDockControlPainter::LightLightColor(face), DD = TdxDockControlPainter::DarkDarkColor(face);
  const Case cases[] = {
      {1, 0, face, clWhite, clWhite, clWhite}, {2, 1, clWhite, D, clWhite, clWhite},
      {4, 2, clWhite, clWhite, D, clWhite},    {8, 3, clWhite, clWhite, clWhite, DD},
      {16, 4, D, D, clWhite, clWhite},         {32, 5, clWhite, clWhite, LL, LL},
      {64, 2, L, L, D, D},                     {64, 3, LL, LL, DD, DD},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(IntToStr(k.sides) + " " + IntToStr(k.style));
    TBitmap b;
    b.SetSize(20, 20);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(Rect(0, 0, 20, 20));
    TdxDockControlPainter::DrawColorEdge(b.Canvas(), Rect(2, 2, 12, 12), k.sides, k.style, face);
    EXPECT_EQ(b.Canvas()->Pixels(2, 6), k.left);
    EXPECT_EQ(b.Canvas()->Pixels(6, 2), k.top);
    EXPECT_EQ(b.Canvas()->Pixels(11, 6), k.right);
    EXPECT_EQ(b.Canvas()->Pixels(6, 11), k.bottom);
    EXPECT_EQ(b.Canvas()->Pixels(12, 6), clWhite);  // the right and bottom ends are exclusive
  }
}

TEST_F(DockPaintersTest, MetricsPerViewAndImageList) {
  struct Case {
    TdxDockingViewStyle view;
    bool images;
    Integer tabs, hideBar, caption, button;
  };
  const Case cases[] = {
      {vsStandard, false, 30, 28, 16, 12},
      {vsNET, false, 24, 24, 18, 12},
      {vsOffice11, false, 24, 24, 18, 12},
      {vsXP, false, 30, 28, 16, 12},  // no theme engine: the standard metrics
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(IntToStr(c.view));
    manager->SetViewStyle(c.view);
    TdxDockControlPainter* pt = p[0]->Painter();
    EXPECT_EQ(pt->GetTabsHeight(), c.tabs);
    EXPECT_EQ(pt->GetHideBarHeight(), c.hideBar);
    EXPECT_EQ(pt->GetCaptionHeight(), c.caption);
    EXPECT_EQ(pt->GetCaptionButtonSize(), c.button);
  }
  manager->SetViewStyle(vsStandard);
  images = new TImageList(form);
  images->SetWidth(20);
  images->SetHeight(20);
  manager->SetImages(images);
  EXPECT_EQ(p[0]->Painter()->GetTabsHeight(), 32);
  EXPECT_EQ(p[0]->Painter()->GetDefaultImageWidth(), 20);
  EXPECT_FALSE(p[0]->Painter()->IsValidImageIndex(0));  // an empty list
  images->Free();  // the manager forgets it
  EXPECT_EQ(manager->Images(), nullptr);
  EXPECT_EQ(p[0]->Painter()->GetDefaultImageHeight(), 16);
}

TEST_F(DockPaintersTest, OfficeColoursFallBackWithoutAScheme) {
  AcquireOffice11Colors();
  EXPECT_EQ(Office11BackColor1, MixColorsByPercent(clBtnFace, clWindow, 22));
  EXPECT_EQ(Office11BackColor2, MixColorsByPercent(clBtnFace, clWindow, 96));
  EXPECT_EQ(Office11CaptionColor, Office11BackColor2);
  EXPECT_EQ(Office11DockColor1, TColor(ColorToRGB(clBtnFace)));
  EXPECT_EQ(Office11DockColor2, MixColorsByPercent(clBtnFace, clWindow, 20));
  EXPECT_EQ(Office11FrameColor, TColor(ColorToRGB(clBtnShadow)));
  EXPECT_EQ(Office11ActiveCaptionColor, Office11FrameColor);
  EXPECT_EQ(Office11SelectedColor, TColor(ColorToRGB(clHighlight)));
  EXPECT_EQ(Office11TabSeparatorColor1, MixColorsByPercent(clBtnShadow, clWindow, 70));
  EXPECT_EQ(Office11TabSeparatorColor2, TColor(RGB(255, 255, 255)));
  EXPECT_EQ(Office11HotColor1, Office11HotColor2);
  EXPECT_EQ(Office11ButtonColor2, Office11PressedColor1);
  ReleaseOffice11ColorSet();
}

// The XP view on the scripted theme engine: the calls it makes, and with themes off the same
// pixels as the standard view.
class XPViewTest : public DockPaintersTest {
 protected:
  void TearDown() override {
    InstallThemeLibrary(nullptr);
    DockPaintersTest::TearDown();
  }
  TdxScriptedThemeLibrary lib;
};

TEST_F(XPViewTest, ThemeCallsOfEachElement) {
  InstallThemeLibrary(&lib);
  manager->SetViewStyle(vsXP);
  TdxDockControlPainter* x = p[0]->Painter();
  ASSERT_EQ(x->ClassType(), TdxDockControlXPPainter::StaticClass());
  EXPECT_FALSE(x->CanVerticalCaption());
  EXPECT_EQ(x->GetCaptionButtonSize(), 14);
  EXPECT_EQ(x->GetCaptionHeight(), 22);
  TBitmap b;
  b.SetSize(200, 100);
  TCanvas* c = b.Canvas();
  struct Case {
    const char* name;
    std::function<void()> draw;
    std::vector<String> calls;
  };
  const TRect r = Rect(10, 10, 60, 30);
  const Case cases[] = {
      {"border", [&] { x->DrawBorder(c, r); }, {"Background TOOLBAR 1 2"}},
      {"active caption", [&] { x->DrawCaption(c, r, true); }, {"Background EXPLORERBAR 5 1", "Background BUTTON 4 1"}},
      {"inactive caption", [&] { x->DrawCaption(c, r, false); }, {"Background TAB 10 1", "Background BUTTON 4 1"}},
      {"close hot", [&] { x->DrawCaptionCloseButton(c, r, true, false, true, false); }, {"Background WINDOW 19 2"}},
      {"close pressed", [&] { x->DrawCaptionCloseButton(c, r, true, true, true, false); }, {"Background WINDOW 19 3"}},
      {"maximize", [&] { x->DrawCaptionMaximizeButton(c, r, true, false, false, false); }, {"Background WINDOW 17 1"}},
      {"restore", [&] { x->DrawCaptionMaximizeButton(c, r, true, false, false, true); }, {"Background WINDOW 21 1"}},
      {"pin", [&] { x->DrawCaptionHideButton(c, r, true, true, false, false); }, {"Background EXPLORERBAR 3 1"}},
      {"active tab", [&] { x->DrawTab(c, p[0], r, true, tctpTop); }, {"Background TAB 5 3"}},
      {"inactive tab", [&] { x->DrawTab(c, p[0], r, false, tctpBottom); }, {"Background TAB 5 1"}},
      {"strip", [&] { x->DrawTabs(c, Rect(0, 0, 200, 30), Rect(20, 4, 60, 28), tctpBottom); },
       {"Background TAB 10 1", "Background TAB 9 1", "Background TAB 10 1"}},
      {"right arrow disabled", [&] { x->DrawTabsScrollRightButton(c, r, false, false, false, tctpTop); },
       {"Background SCROLLBAR 1 16"}},
      {"left arrow hot", [&] { x->DrawTabsScrollLeftButton(c, r, false, true, true, tctpTop); },
       {"Background SCROLLBAR 1 10"}},
      {"hide bar button", [&] { x->DrawHideBarButton(c, p[0], Rect(0, 0, 24, 80), ahpLeft); }, {"Background TAB 5 1"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    lib.Log.clear();
    k.draw();
    std::vector<String> calls;
    for (const String& line : lib.Log)
      if (line.rfind("Background", 0) == 0) calls.push_back(line);
    EXPECT_EQ(calls, k.calls);
  }
}

TEST_F(XPViewTest, WithoutThemesTheSamePixelsAsTheStandardView) {
  lib.Active = false;
  InstallThemeLibrary(&lib);
  TBitmap standard, xp;
  standard.SetSize(1000, 640);
  xp.SetSize(1000, 640);
  DrawSheet(standard.Canvas(), true);
  manager->SetViewStyle(vsXP);
  ASSERT_EQ(p[0]->Painter()->ClassType(), TdxDockControlXPPainter::StaticClass());
  DrawSheet(xp.Canvas(), true);
  Integer differences = 0;
  for (Integer y = 0; y < 640; ++y) {
    auto* a = static_cast<uint32_t*>(standard.ScanLine(y));
    auto* b = static_cast<uint32_t*>(xp.ScanLine(y));
    for (Integer x = 0; x < 1000; ++x) differences += (a[x] & 0xFFFFFF) != (b[x] & 0xFFFFFF);
  }
  EXPECT_EQ(differences, 0);
}

TEST_F(DockPaintersTest, FramesArePaintedThroughTheFrameMessage) {
  form->Show();
  Pump();
  p[0]->Activate();
  Pump();
  S().Snapshot(form->Handle(), "dock_form_standard.png");
  // The children align in the client area left inside the frame; the strip is painted.
  EXPECT_EQ(p[3]->BoundsRect(), Rect(0, 0, tc->ClientWidth(), tc->ClientHeight()));
  HDC dc = GetWindowDC(tc->Handle());
  TRect tab = tc->GetTabRect(1);  // the active tab: filled in the tab colour
  EXPECT_EQ(GetPixel(dc, tab.Left + 2, (tab.Top + tab.Bottom) / 2), COLORREF(ColorToRGB(tc->Color())));
  TRect strip = tc->TabsRect();  // below the tabs: the strip's edge line
  EXPECT_NE(GetPixel(dc, strip.Right - 30, tab.Top), COLORREF(ColorToRGB(clWhite)));
  ReleaseDC(tc->Handle(), dc);
  manager->SetViewStyle(vsOffice11);
  Pump();
  S().Snapshot(form->Handle(), "dock_form_office.png");
}

}  // namespace
