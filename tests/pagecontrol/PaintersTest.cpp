// The concrete painters: class answers, geometry and behaviour of the Tabs, Flat, button,
// Office11, Slanted and OneNote painters.
#include "foundation/cxLookAndFeels.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxThemeConsts.h"
#include "foundation/dxUxTheme.h"
#include "tests/pagecontrol/PCTestSupport.h"

using namespace pctest;

namespace {

class PaintersTest : public PCFixture {
 protected:
  TcxTabControl* MakeStyled(TcxPCStyleID style, std::vector<String> captions, Integer width = 400,
                            Integer height = 200) {
    auto* c = new TcxTabControl(Form());
    c->SetStyle(style);
    c->SetBounds(0, 0, width, height);
    c->SetParent(Form());
    for (const String& caption : captions) c->Tabs()->Add(caption);
    Form()->Show();
    Pump();
    return c;
  }
  static TcxPCStandardPainter* Std(TcxCustomTabControl* c) { return static_cast<TcxPCStandardPainter*>(c->Painter()); }
  static POINT TabPoint(TcxCustomTabControl* c, Integer visibleIndex) {
    TPoint p = Center(c->VisibleTabs(visibleIndex)->VisibleRect());
    return POINT{p.X, p.Y};
  }
};

TEST_F(PaintersTest, ClassAnswersOfEveryRegisteredPainter) {
  struct Row {
    TcxPCStyleID id;
    const char* name;
    TTabStyle standard;
    bool attached, multiSelect, buttonLike, allowRotate;
  };
  const Row rows[] = {
      {1, "Tabs", tsTabs, true, false, false, true},
      {2, "Buttons", tsButtons, false, true, true, true},
      {3, "FlatButtons", tsFlatButtons, false, true, true, true},
      {5, "ExtraFlat", tsTabs, true, false, false, true},
      {6, "UltraFlat", tsTabs, true, false, false, true},
      {7, "Flat", tsTabs, true, false, false, true},
      {8, "Office11", tsTabs, true, false, false, true},
      {9, "Slanted", tsTabs, true, false, false, true},
      {10, "OneNote", tsTabs, true, false, false, false},
  };
  TcxPCPaintersFactory* f = PaintersFactory();
  // Registration order, the test painter last.
  std::vector<TcxPCStyleID> order;
  for (Integer i = 0; i < f->Count(); ++i) order.push_back(f->Classes(i)->GetStyleID());
  order.pop_back();
  EXPECT_EQ(order, (std::vector<TcxPCStyleID>{1, 2, 3, 5, 6, 7, 8, 9, 10}));
  for (const Row& r : rows) {
    TcxPCPainterClass cls = f->GetPainterClass(r.id);
    ASSERT_NE(cls, nullptr) << r.id;
    EXPECT_EQ(cls->GetStyleName(), r.name);
    EXPECT_EQ(cls->GetStandardStyle(), r.standard) << r.name;
    EXPECT_EQ(cls->IsTabAttachedToPage(), r.attached) << r.name;
    EXPECT_EQ(cls->AllowMultiSelect(), r.multiSelect) << r.name;
    EXPECT_EQ(cls->IsButtonLikeTabs(), r.buttonLike) << r.name;
    EXPECT_EQ(cls->AllowRotate(), r.allowRotate) << r.name;
  }
}

TEST_F(PaintersTest, LookAndFeelChoosesThePainter) {
  auto* c = MakeStyled(0, {"One", "Two"});
  struct Row {
    TcxLookAndFeelKind kind;
    bool native;
    TcxPCPainterClass expected;
  };
  const Row rows[] = {
      {lfStandard, false, TcxPCTabsPainter::Class()},
      {lfFlat, false, TcxPCFlatPainter::Class()},
      {lfUltraFlat, false, TcxPCUltraFlatPainter::Class()},
      {lfOffice11, false, TcxPCOffice11Painter::Class()},
  };
  for (const Row& r : rows) {
    c->LookAndFeel()->SetKind(r.kind);
    c->LookAndFeel()->SetNativeStyle(r.native);
    EXPECT_EQ(c->Painter()->PainterClass(), r.expected) << r.kind << " " << r.native;
    EXPECT_EQ(c->Style(), 0);
  }
}

TEST_F(PaintersTest, GeometryTablePerPainter) {
  struct Row {
    TcxPCStyleID id;
    TPoint gaps;
    Integer buttonHeight, arrowWidth, goWidth, goWidthVertical, closeWidth;
    Integer frameWidth;
    bool frameWithoutShowFrame;
    Integer minTabHeight;
  };
  const Row rows[] = {
      {1, TPoint(0, 0), 20, 20, 12, 13, 20, 2, true, 18},
      {2, TPoint(3, 3), 20, 20, 12, 13, 20, 2, false, 20},
      {3, TPoint(10, 3), 20, 20, 12, 13, 20, 2, false, 20},
      {7, TPoint(0, 0), 18, 18, 10, 11, 18, 1, true, 18},
      {8, TPoint(2, 4), 15, 15, 11, 11, 14, 1, false, 18},
      {9, TPoint(0, 0), 17, 17, 13, 13, 16, 1, false, 18},
  };
  for (const Row& r : rows) {
    auto* c = MakeStyled(r.id, {"One", "Two"});
    auto* p = Std(c);
    if (r.id != 9) {
      EXPECT_EQ(p->GetTabsDistance(), r.gaps) << r.id;
    }
    EXPECT_EQ(p->GetNavigatorButtonHeight(), r.buttonHeight) << r.id;
    EXPECT_EQ(p->GetNavigatorButtonWidth(nbTopLeft), r.arrowWidth) << r.id;
    EXPECT_EQ(p->GetNavigatorButtonWidth(nbBottomRight), r.arrowWidth) << r.id;
    EXPECT_EQ(p->GetNavigatorButtonWidth(nbGoDialog), r.goWidth) << r.id;
    EXPECT_EQ(p->GetNavigatorButtonWidth(nbClose), r.closeWidth) << r.id;
    EXPECT_EQ(p->GetFrameWidth(), r.frameWidth) << r.id;
    EXPECT_EQ(p->GetMinTabHeight(), r.minTabHeight) << r.id;
    EXPECT_FALSE(c->ShowFrame());
    EXPECT_EQ(p->HasFrame(), r.frameWithoutShowFrame) << r.id;
    // The page client rectangle lies inside the frame when one is drawn.
    TRect frame = p->GetPageFrameRect(), client = p->GetPageClientRect();
    Integer inset = r.frameWithoutShowFrame ? r.frameWidth : 0;
    EXPECT_EQ(client.Left - frame.Left, inset) << r.id;
    EXPECT_EQ(frame.Right - client.Right, inset) << r.id;
    c->SetTabPosition(tpLeft);
    EXPECT_EQ(p->GetNavigatorButtonWidth(nbGoDialog), r.goWidthVertical) << r.id;
    c->Free();
  }
}

TEST_F(PaintersTest, TabsPainterCorrectsTheMainTabBySide) {
  struct Row {
    TcxTabPosition position;
    TRect correction;
  };
  const Row rows[] = {
      {tpTop, TRect(-2, -2, 2, 1)},
      {tpBottom, TRect(-2, -1, 2, 2)},
      {tpLeft, TRect(-2, -2, 1, 2)},
      {tpRight, TRect(-1, -2, 2, 2)},
  };
  auto* c = MakeStyled(1, {"One", "Two", "Three"});
  c->SetTabIndex(1);
  for (const Row& r : rows) {
    c->SetTabPosition(r.position);
    Pump();
    EXPECT_EQ(c->Painter()->GetTabRectCorrection(1), r.correction) << r.position;
    EXPECT_EQ(c->Painter()->GetTabRectCorrection(0), TRect()) << r.position;
    // The main tab overlaps its neighbour.
    TRect main = c->VisibleTabs(1)->FullRect(), left = c->VisibleTabs(0)->FullRect();
    TRect common;
    EXPECT_TRUE(IntersectRectsOrEmpty(common, main, left)) << r.position;
  }
}

TEST_F(PaintersTest, TabsOffsetsAndMarginsBySideCode) {
  // Side code 1 is a top tab with horizontal text, 10 a bottom one.
  struct Row {
    TcxTabPosition position;
    bool main;
    Integer text[4];
  };
  const Row rows[] = {
      {tpTop, false, {5, 1, 5, -1}},
      {tpTop, true, {7, 1, 5, 2}},
      {tpBottom, false, {5, 1, 5, 0}},
      {tpBottom, true, {7, 1, 5, 3}},
  };
  auto* c = MakeStyled(1, {"One", "Two"});
  for (const Row& r : rows) {
    c->SetTabPosition(r.position);
    c->SetTabIndex(r.main ? 0 : 1);
    Pump();
    Integer o[4];
    c->Painter()->GetTextOffsets(0, o);
    EXPECT_EQ(std::vector<Integer>(o, o + 4), std::vector<Integer>(r.text, r.text + 4))
        << r.position << " " << r.main;
  }
  // The text area is the standard one less three (less two with Rotate).
  Integer zg = MeasureTextHeightInFont(c->Font(), "Zg");
  EXPECT_EQ(Std(c)->GetTextAreaHeight(), zg + 8 - 3);
  c->SetRotate(true);
  EXPECT_EQ(Std(c)->GetTextAreaHeight(), zg + 8 - 2);
  // Button painters: margins 4, 4 without images, 3, 4 with them.
  c->SetStyle(2);
  Integer lead, trail;
  c->Painter()->GetContentMargins(0, lead, trail);
  EXPECT_EQ(lead, 4);
  EXPECT_EQ(trail, 4);
  auto* images = new TImageList(Form(), 16, 16);
  TBitmap bmp;
  bmp.SetSize(16, 16);
  images->Add(&bmp, nullptr);
  c->SetImages(images);
  c->Painter()->GetContentMargins(0, lead, trail);
  EXPECT_EQ(lead, 3);
  EXPECT_EQ(trail, 4);
}

TEST_F(PaintersTest, SwitchingToButtonsRelaysOutWithButtonGaps) {
  auto* c = MakeStyled(1, {"One", "Two", "Three"});
  EXPECT_EQ(c->VisibleTabs(1)->FullRect().Left - c->VisibleTabs(0)->FullRect().Right, 0 - 2);
  c->SetStyle(2);
  Pump();
  EXPECT_EQ(c->Painter()->PainterClass(), TcxPCButtonsPainter::Class());
  EXPECT_EQ(c->VisibleTabs(1)->FullRect().Left - c->VisibleTabs(0)->FullRect().Right, 3);
  EXPECT_EQ(c->VisibleTabs(2)->FullRect().Left - c->VisibleTabs(1)->FullRect().Right, 3);
}

TEST_F(PaintersTest, ButtonLikeTabsPressTrackAndMultiSelect) {
  for (TcxPCStyleID style : {2, 3}) {
    auto* c = MakeStyled(style, {"One", "Two", "Three", "Four"});
    c->SetTabIndex(0);
    HWND h = c->Handle();
    // Pressed on mouse down, selected on release over the same tab.
    S().MouseDown(h, TabPoint(c, 2));
    EXPECT_EQ(c->PressedTab(), 2) << style;
    EXPECT_EQ(c->TabIndex(), 0) << style;
    EXPECT_TRUE(c->Painter()->IsTabActiveLook(2)) << style;
    S().MouseUp(h, TabPoint(c, 2));
    EXPECT_EQ(c->PressedTab(), -1) << style;
    EXPECT_EQ(c->TabIndex(), 2) << style;
    // Released over another tab: nothing selected.
    S().MouseDown(h, TabPoint(c, 1));
    S().MoveMouse(h, TabPoint(c, 3));
    S().MouseUp(h, TabPoint(c, 3));
    EXPECT_EQ(c->TabIndex(), 2) << style;
    // Multi-selection: Ctrl+click toggles a tab once the mode is on.
    c->Tabs()->Tabs(3)->SetSelected(true);
    EXPECT_FALSE(c->MultiSelectionMode()) << style;
    c->Tabs()->Tabs(0)->SetSelected(true);
    EXPECT_TRUE(c->MultiSelectionMode()) << style;
    S().KeyDown(VK_CONTROL);
    S().Click(h, TabPoint(c, 1));
    EXPECT_TRUE(c->Tabs()->Tabs(1)->Selected()) << style;
    S().Click(h, TabPoint(c, 1));
    EXPECT_FALSE(c->Tabs()->Tabs(1)->Selected()) << style;
    S().KeyUp(VK_CONTROL);
    EXPECT_EQ(c->TabIndex(), 2) << style;
    // Keys move the tracking tab without changing the page; Enter selects it.
    c->SetFocus();
    Pump();
    S().PressKey(VK_RIGHT);
    EXPECT_EQ(c->TrackingTab(), 3) << style;
    EXPECT_EQ(c->TabIndex(), 2) << style;
    S().PressKey(VK_LEFT);
    S().PressKey(VK_LEFT);
    EXPECT_EQ(c->TrackingTab(), 1) << style;
    S().PressKey(VK_RETURN);
    EXPECT_EQ(c->TabIndex(), 1) << style;
    c->Free();
  }
}

TEST_F(PaintersTest, TheMainButtonIsCheckered) {
  auto* c = MakeStyled(2, {"One", "Two"});
  c->SetTabIndex(0);
  Pump();
  TBitmap bmp;
  bmp.SetSize(c->Width(), c->Height());
  c->PaintTo(bmp.Canvas()->Handle(), 0, 0);
  TRect main = c->VisibleTabs(0)->FullRect(), other = c->VisibleTabs(1)->FullRect();
  Integer y = main.Top + 3;
  EXPECT_NE(bmp.Canvas()->Pixels(main.Left + 3, y), bmp.Canvas()->Pixels(main.Left + 4, y));
  EXPECT_EQ(bmp.Canvas()->Pixels(other.Left + 3, y), bmp.Canvas()->Pixels(other.Left + 4, y));
}

TEST_F(PaintersTest, FlatButtonsGrooveBetweenNeighboursOfARowOnly) {
  auto* c = MakeStyled(3, {"One", "Two", "Three"});
  auto* p = static_cast<TcxPCFlatButtonsPainter*>(c->Painter());
  TRect gap = p->GetSeparatorGap(0);
  EXPECT_EQ(gap.Left, c->VisibleTabs(0)->FullRect().Right);
  EXPECT_EQ(gap.Width(), 10);
  EXPECT_TRUE(p->GetSeparatorGap(2).IsEmpty());
  TBitmap bmp;
  bmp.SetSize(c->Width(), c->Height());
  c->PaintTo(bmp.Canvas()->Handle(), 0, 0);
  Integer y = (gap.Top + gap.Bottom) / 2;
  EXPECT_EQ(bmp.Canvas()->Pixels(gap.Left + 4, y), ColorToRGB(clBtnShadow));
  EXPECT_EQ(bmp.Canvas()->Pixels(gap.Left + 5, y), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(bmp.Canvas()->Pixels(gap.Left + 1, y), ColorToRGB(c->Color()));
}

TEST_F(PaintersTest, Office11GradientsFollowTheOptions) {
  struct Row {
    TcxPCOptions options;
    bool pageGradient, tabGradient;
  };
  const Row rows[] = {
      {{pcoGradient, pcoGradientClientArea}, true, true},
      {{pcoGradient}, false, true},
      {{pcoGradientClientArea}, false, false},
      {{}, false, false},
  };
  auto* c = MakeStyled(8, {"One", "Two", "Three"}, 300, 200);
  c->SetTabIndex(1);
  const TcxPCOffice11Colors& colors = cxPCOffice11Colors();
  TColor blend = TColor(ColorToRGB(MixColorsByPercent(colors.BackgroundLight, colors.BackgroundDark, 50)));
  for (const Row& r : rows) {
    c->SetOptions(r.options);
    Pump();
    EXPECT_EQ(c->Painter()->NeedsRedrawOnResize(), r.pageGradient);
    TBitmap bmp;
    bmp.SetSize(c->Width(), c->Height());
    c->PaintTo(bmp.Canvas()->Handle(), 0, 0);
    TRect page = c->Painter()->GetPageClientRect();
    TColor top = bmp.Canvas()->Pixels(page.Left + 5, page.Top + 1);
    TColor bottom = bmp.Canvas()->Pixels(page.Left + 5, page.Bottom - 2);
    EXPECT_EQ(top != bottom, r.pageGradient);
    if (!r.pageGradient) {
      EXPECT_EQ(top, blend);
    }
    TRect main = c->VisibleTabs(1)->FullRect();
    TColor mainTop = bmp.Canvas()->Pixels(main.Left + 3, main.Top + 2);
    TColor mainBottom = bmp.Canvas()->Pixels(main.Left + 3, main.Bottom - 2);
    EXPECT_EQ(mainTop != mainBottom, r.tabGradient);
  }
}

TEST_F(PaintersTest, Office11ColoursFollowTheSchemeAndThePalette) {
  cxPCCopyOffice11Colors(0);
  TcxPCOffice11Colors system = cxPCOffice11Colors();
  for (Integer outside : {-1, 4, 255}) {
    cxPCCopyOffice11Colors(outside);
    EXPECT_EQ(cxPCOffice11Colors().Border, system.Border) << outside;
    EXPECT_EQ(cxPCOffice11Colors().BackgroundLight, system.BackgroundLight) << outside;
  }
  cxPCCopyOffice11Colors(1);
  EXPECT_NE(cxPCOffice11Colors().Border, system.Border);
  // A system colour change refreshes the cached colours.
  int index = COLOR_BTNSHADOW;
  COLORREF color = RGB(10, 200, 30);
  SetSysColors(1, &index, &color);
  PaletteListener()->BroadcastChange();
  EXPECT_EQ(cxPCOffice11Colors().Border, TColor(RGB(10, 200, 30)));
  ResetSysColors();
  PaletteListener()->BroadcastChange();
  EXPECT_EQ(cxPCOffice11Colors().Border, system.Border);
}

TEST_F(PaintersTest, SlantSizesGapsMarginsAndMinimumWidths) {
  auto* c = MakeStyled(9, {"One", "Two", "Three"});
  auto* p = static_cast<TcxPCSlantedPainter*>(c->Painter());
  Integer h = p->GetTabNormalHeight();
  struct Row {
    TcxTabSlantKind kind;
    TcxTabSlantPositions positions;
    Integer slant, tabGap, leading, trailing, slantMin;
  };
  const Row rows[] = {
      {skSlant, {}, h - 1, 1, 3, 3, 8},
      {skSlant, {spLeft}, h - 1, -((h - 1) / 2), h - 1, 3, (h - 1) - 2 + 8},
      {skSlant, {spLeft, spRight}, h - 1, -((h - 1) / 2) * 2, h - 1, h - 1, (h - 1) * 2 - 4 + 8},
      {skCutCorner, {spLeft}, 6, 1, 6, 3, 6 + 1 + 4},
      {skCutCorner, {spLeft, spRight}, 6, 1, 6, 6, 12 + 0 + 4},
  };
  for (const Row& r : rows) {
    c->TabSlants()->SetKind(r.kind);
    c->TabSlants()->SetPositions(r.positions);
    Pump();
    EXPECT_EQ(p->SlantSize(), r.slant) << r.kind << " " << r.positions.Count();
    EXPECT_EQ(p->GetTabsDistance(), TPoint(r.tabGap, -3)) << r.kind << " " << r.positions.Count();
    Integer lead, trail;
    p->GetContentMargins(0, lead, trail);
    EXPECT_EQ(lead, r.leading) << r.kind << " " << r.positions.Count();
    EXPECT_EQ(trail, r.trailing) << r.kind << " " << r.positions.Count();
    EXPECT_EQ(p->GetSlantMinTabWidth(), r.slantMin) << r.kind << " " << r.positions.Count();
  }
  // A cut corner stays 6 pixels whatever the tab height.
  c->SetTabHeight(40);
  Pump();
  EXPECT_EQ(p->SlantSize(), 6);
  // With Rotate no side is slanted and there is no slant minimum.
  c->TabSlants()->SetKind(skSlant);
  c->SetRotate(true);
  Pump();
  EXPECT_EQ(p->GetSlantMinTabWidth(), 0);
  EXPECT_EQ(p->GetSlantedSides().Count(), 0u);
}

TEST_F(PaintersTest, SlantedTabsHitTestByOutlineAndTheMainTabWinsTheOverlap) {
  auto* c = MakeStyled(9, {"First", "Second", "Third"});
  c->TabSlants()->SetPositions({spLeft, spRight});
  c->SetTabIndex(1);
  Pump();
  auto* p = static_cast<TcxPCSlantedPainter*>(c->Painter());
  TRect t0 = c->VisibleTabs(0)->FullRect(), t1 = c->VisibleTabs(1)->FullRect();
  // Neighbours overlap by the slant size (rounded down to even).
  ASSERT_LT(t1.Left, t0.Right);
  EXPECT_EQ(t0.Right - t1.Left, p->SlantSize() / 2 * 2);
  // In the overlap, near the page edge, both outlines hold the point: the main tab wins.
  TPoint overlap((t1.Left + t0.Right) / 2, t0.Bottom - 2);
  EXPECT_FALSE(p->IsPointInTab(0, overlap));
  EXPECT_TRUE(p->IsPointInTab(1, overlap));
  EXPECT_EQ(c->GetTabIndexAtPoint(overlap), 1);
  S().Click(c->Handle(), POINT{overlap.X, overlap.Y});
  EXPECT_EQ(c->TabIndex(), 1);
  // The outer corner of a slanted side lies outside the tab.
  TRect t2 = c->VisibleTabs(2)->FullRect();
  TPoint corner(t2.Right - 2, t2.Top + 1);
  EXPECT_FALSE(p->IsPointInTab(2, corner));
  TPoint middle = Center(t2);
  EXPECT_TRUE(p->IsPointInTab(2, middle));
  S().Click(c->Handle(), POINT{middle.X, middle.Y});
  EXPECT_EQ(c->TabIndex(), 2);
}

TEST_F(PaintersTest, OneNoteRefusesRotation) {
  auto* c = MakeStyled(1, {"One", "Two"});
  c->SetRotate(true);
  c->SetStyle(10);
  EXPECT_EQ(c->Painter()->PainterClass(), TcxPCOneNotePainter::Class());
  EXPECT_FALSE(c->Rotate());
  try {
    c->SetRotate(true);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "OneNote style does not support rotation of tabs");
  }
  EXPECT_FALSE(c->Rotate());
  auto* p = static_cast<TcxPCOneNotePainter*>(c->Painter());
  EXPECT_EQ(p->SlantSize(), p->GetTabNormalHeight() + 2);
  EXPECT_EQ(p->GetTabsDistance(), TPoint(5 - p->SlantSize(), -3));
  EXPECT_EQ(p->GetMinTabWidth(0), p->SlantSize() + 4);
  EXPECT_EQ(c->VisibleTabs(0)->FullRect().Left, 4);
}

class NativeTabsTest : public PaintersTest {
 protected:
  void TearDown() override {
    InstallThemeLibrary(nullptr);
    PaintersTest::TearDown();
  }
  // The theme's background calls of one paint, "part state" per call on the tab class.
  std::vector<String> TabCalls(TcxCustomTabControl* c) {
    lib.Log.clear();
    TBitmap bmp;
    bmp.SetSize(c->Width(), c->Height());
    c->PaintTo(bmp.Canvas()->Handle(), 0, 0);
    std::vector<String> calls;
    for (const String& line : lib.Log)
      if (line.rfind("Background TAB ", 0) == 0) calls.push_back(line.substr(15));
    return calls;
  }
  TdxScriptedThemeLibrary lib;
};

TEST_F(NativeTabsTest, ThemeCallsPerTabPartAndState) {
  InstallThemeLibrary(&lib);
  auto* c = MakeStyled(0, {"First", "Second", "Third", "Fourth"});
  c->LookAndFeel()->SetNativeStyle(true);
  c->Tabs()->Tabs(3)->SetEnabled(false);
  c->SetTabIndex(1);
  Pump();
  ASSERT_EQ(c->Painter()->PainterClass(), TcxPCTabsPainter::Class());
  ASSERT_TRUE(c->Painter()->IsNativePainting());
  // The pane first, then the main tab, then the others in order: the first tab takes the
  // left-edge part, the last the right-edge part, a disabled tab the disabled state.
  EXPECT_EQ(TabCalls(c), (std::vector<String>{"9 0", "5 3", "2 1", "1 1", "3 4"}));
  // A main first tab takes the top left-edge part; the last tab as the main tab is a plain
  // top item.
  c->SetTabIndex(0);
  Pump();
  EXPECT_EQ(TabCalls(c), (std::vector<String>{"9 0", "6 3", "1 1", "1 1", "3 4"}));
  c->Tabs()->Tabs(3)->SetEnabled(true);
  c->SetTabIndex(3);
  Pump();
  EXPECT_EQ(TabCalls(c), (std::vector<String>{"9 0", "5 3", "2 1", "1 1", "1 1"}));
  // The page client rectangle lies inside the pane's content margins.
  TRect frame = c->Painter()->GetPageFrameRect(), client = c->Painter()->GetPageClientRect();
  EXPECT_EQ(client, TRect(frame.Left + 2, frame.Top + 2, frame.Right - 2, frame.Bottom - 2));
  EXPECT_EQ(Std(c)->GetNavigatorButtonHeight(), 17);
}

TEST_F(NativeTabsTest, ThemedNavigatorButtonsAndTheMainTabsShift) {
  lib.SetPartSize("SCROLLBAR", SBP_ARROWBTN, ABS_DOWNNORMAL, TSize(15, 15));
  InstallThemeLibrary(&lib);
  auto* c = MakeStyled(1, {"First tab", "Second tab", "Third tab", "Fourth tab"}, 200, 150);
  c->LookAndFeel()->SetNativeStyle(true);
  c->SetOptions({pcoGoDialog, pcoCloseButton});
  Pump();
  ASSERT_TRUE(c->Painter()->IsNativePainting());
  EXPECT_EQ(Std(c)->GetNavigatorButtonWidth(nbGoDialog), 15);
  lib.Log.clear();
  TBitmap bmp;
  bmp.SetSize(c->Width(), c->Height());
  c->PaintTo(bmp.Canvas()->Handle(), 0, 0);
  std::vector<String> buttons;
  for (const String& line : lib.Log)
    if (line.rfind("Background SCROLLBAR", 0) == 0 || line.rfind("Background WINDOW", 0) == 0) buttons.push_back(line);
  // The first arrow is disabled at the start of the strip.
  EXPECT_EQ(buttons, (std::vector<String>{"Background SCROLLBAR 1 5", "Background SCROLLBAR 1 12",
                                          "Background SCROLLBAR 1 13", "Background WINDOW 19 1"}));
  // Bottom tabs: the main tab's caption one pixel lower than the classic offsets.
  c->SetTabPosition(tpBottom);
  c->SetTabIndex(0);
  Pump();
  Integer o[4];
  c->Painter()->GetTextOffsets(0, o);
  EXPECT_EQ(std::vector<Integer>(o, o + 4), (std::vector<Integer>{7, 2, 5, 2}));
}

TEST_F(NativeTabsTest, TabBitmapsTurnForTheOtherSides) {
  InstallThemeLibrary(&lib);
  auto* c = MakeStyled(1, {"First", "Second"}, 300, 200);
  c->LookAndFeel()->SetNativeStyle(true);
  Pump();
  ASSERT_TRUE(c->Painter()->IsNativePainting());
  c->SetOptions({pcoGoDialog, pcoCloseButton});
  TBitmap sheet;
  sheet.SetSize(4 * 310, 210);
  // The scripted theme fills a tab part with a plain colour: after turning, the part covers
  // the whole tab on every side (width and height exchanged on the vertical strips).
  for (TcxTabPosition position : {tpTop, tpBottom, tpLeft, tpRight}) {
    c->SetTabPosition(position);
    c->SetTabIndex(0);
    Pump();
    TBitmap bmp;
    bmp.SetSize(c->Width(), c->Height());
    c->PaintTo(bmp.Canvas()->Handle(), 0, 0);
    sheet.Canvas()->Draw(Integer(position) * 310, 0, &bmp);
    TRect r = c->VisibleTabs(1)->FullRect();
    Integer part, state;
    c->Painter()->GetThemeTabPart(1, part, state);
    EXPECT_EQ(part, TABP_TABITEMRIGHTEDGE);
    TColor item = TColor(TdxScriptedThemeLibrary::BackgroundColor("TAB", part, state));
    // Beside the caption, two pixels in from the tab's outer edge.
    TPoint m = Center(r);
    TPoint outer = position == tpTop      ? TPoint(m.X, r.Top + 2)
                   : position == tpBottom ? TPoint(m.X, r.Bottom - 3)
                   : position == tpLeft   ? TPoint(r.Left + 2, m.Y)
                                          : TPoint(r.Right - 3, m.Y);
    EXPECT_EQ(bmp.Canvas()->Pixels(outer.X, outer.Y), TColor(ColorToRGB(item))) << position;
  }
  sheet.SaveToPngFile(testing_support::SheetPath("pc_native.png"));
}

TEST_F(NativeTabsTest, AClassThatDoesNotOpenFallsBackToClassicDrawing) {
  lib.FailingClasses.insert("TAB");
  InstallThemeLibrary(&lib);
  auto* c = MakeStyled(1, {"First", "Second"});
  c->LookAndFeel()->SetNativeStyle(true);
  Pump();
  EXPECT_FALSE(c->Painter()->IsNativePainting());
  EXPECT_TRUE(TabCalls(c).empty());
  EXPECT_EQ(Std(c)->GetNavigatorButtonHeight(), 20);
  // Classic drawing: the page frame's outer highlight line.
  TBitmap bmp;
  bmp.SetSize(c->Width(), c->Height());
  c->PaintTo(bmp.Canvas()->Handle(), 0, 0);
  TRect frame = c->Painter()->GetPageFrameRect();
  EXPECT_EQ(bmp.Canvas()->Pixels(frame.Left, frame.Bottom - 10), ColorToRGB(clBtnHighlight));
}

}  // namespace
