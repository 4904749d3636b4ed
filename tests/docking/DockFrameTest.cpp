// Frames of dock controls: caption, button, text and client rectangles per view and caption
// direction, minimum sizes, and the painter class each view style picks.
#include "docking/dxDockControlNETView.h"
#include "docking/dxDockControlOfficeView.h"
#include "docking/dxDockControlXPView.h"
#include "foundation/cxLookAndFeels.h"
#include "tests/docking/DockingTestSupport.h"

using namespace docktest;

namespace {

// A dock control with every caption button and a choice of border and dock type.
class TFrameControl : public TdxCustomDockControl {
 public:
  using TdxCustomDockControl::TdxCustomDockControl;
  bool HasCaption() override { return caption; }
  bool HasBorder() override { return border; }
  bool CanAutoHide() override { return true; }
  bool CanMaximize() override { return true; }
  void SetType(TdxDockingType t) { SetDockType(t); }
  bool caption = true;
  bool border = false;
};

using DockFrameTest = DockingFixture;

TEST_F(DockFrameTest, CaptionButtonAndTextRectanglesPerDirectionAndView) {
  struct Case {
    const char* name;
    TdxDockingViewStyle view;
    TdxDockingType type;
    bool border;
    TRect caption, close, hide, maximize, text, client;
  };
  const Case cases[] = {
      {"standard, horizontal", vsStandard, dtLeft, false, Rect(0, 0, 100, 16), Rect(84, 2, 96, 14),
       Rect(70, 2, 82, 14), Rect(56, 2, 68, 14), Rect(4, 0, 54, 16), Rect(0, 18, 100, 60)},
      {"standard, horizontal with border", vsStandard, dtRight, true, Rect(2, 2, 98, 18), Rect(82, 4, 94, 16),
       Rect(68, 4, 80, 16), Rect(54, 4, 66, 16), Rect(6, 2, 52, 18), Rect(2, 20, 98, 58)},
      {"standard, vertical for a top control", vsStandard, dtTop, false, Rect(0, 0, 16, 60), Rect(2, 4, 14, 16),
       Rect(2, 18, 14, 30), Rect(2, 32, 14, 44), Rect(0, 46, 16, 56), Rect(18, 0, 100, 60)},
      {"NET, never vertical; caption by the font", vsNET, dtBottom, false, Rect(0, 0, 100, 18),
       Rect(84, 3, 96, 15), Rect(70, 3, 82, 15), Rect(56, 3, 68, 15), Rect(4, 0, 54, 18), Rect(0, 20, 100, 60)},
      {"Office as NET", vsOffice11, dtClient, false, Rect(0, 0, 100, 18), Rect(84, 3, 96, 15),
       Rect(70, 3, 82, 15), Rect(56, 3, 68, 15), Rect(4, 0, 54, 18), Rect(0, 20, 100, 60)},
  };
  auto* manager = new TdxDockingManager(form);
  auto* c = new TFrameControl(form);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    manager->SetViewStyle(k.view);
    c->border = k.border;
    c->SetType(k.type);
    TRect r = Rect(0, 0, 100, 60);
    c->CalculateNC(r);
    EXPECT_EQ(c->CaptionRect(), k.caption);
    EXPECT_EQ(c->CaptionCloseButtonRect(), k.close);
    EXPECT_EQ(c->CaptionHideButtonRect(), k.hide);
    EXPECT_EQ(c->CaptionMaximizeButtonRect(), k.maximize);
    EXPECT_EQ(c->CaptionTextRect(), k.text);
    EXPECT_EQ(r, k.client);
  }
}

TEST_F(DockFrameTest, MinimumSizesFollowTheCaption) {
  auto* c = new TFrameControl(form);
  c->caption = false;
  EXPECT_EQ(c->GetMinimumWidth(), 58);
  EXPECT_EQ(c->GetMinimumHeight(), 28);
  c->caption = true;
  c->SetType(dtLeft);
  EXPECT_EQ(c->GetMinimumWidth(), 52);
  EXPECT_EQ(c->GetMinimumHeight(), 20);
  c->SetType(dtTop);
  EXPECT_EQ(c->GetMinimumWidth(), 20);
  EXPECT_EQ(c->GetMinimumHeight(), 52);
}

TEST_F(DockFrameTest, ControlWithoutCaptionOrBorderHasTheWholeWindowAsClient) {
  auto* c = new TFrameControl(form);
  c->caption = false;
  TRect r = Rect(0, 0, 80, 40);
  c->CalculateNC(r);
  EXPECT_EQ(r, Rect(0, 0, 80, 40));
}

TEST_F(DockFrameTest, DockedPanelsWindowGivesBorderAndCaptionToTheFrame) {
  form->Show();
  site->SetAlign(alClient);
  p[0]->DockTo(site, dtLeft, -1);
  Pump();
  EXPECT_EQ(p[0]->WindowRect(), Rect(0, 0, p[0]->Width(), p[0]->Height()));
  EXPECT_EQ(p[0]->ClientWidth(), p[0]->Width() - 4);
  EXPECT_EQ(p[0]->ClientHeight(), p[0]->Height() - 4 - 16 - 2);
  // The panel has no maximize button outside a side container; the hide button needs the
  // form's dock site, which it has.
  EXPECT_TRUE(p[0]->HasCaptionCloseButton());
  EXPECT_TRUE(p[0]->HasCaptionHideButton());
  EXPECT_FALSE(p[0]->HasCaptionMaximizeButton());
}

TEST_F(DockFrameTest, ViewStylePicksThePainterClassAndTheViewsFont) {
  auto* manager = new TdxDockingManager(form);
  struct Case {
    TdxDockingViewStyle view;
    TcxLookAndFeelKind kind;
    TClass painter;
    const char* font;
  };
  const Case cases[] = {
      {vsStandard, lfStandard, TdxDockControlPainter::StaticClass(), "MS Sans Serif"},
      {vsNET, lfStandard, TdxDockControlNETPainter::StaticClass(), "Tahoma"},
      {vsOffice11, lfStandard, TdxDockControlOfficePainter::StaticClass(), "Tahoma"},
      {vsXP, lfStandard, TdxDockControlXPPainter::StaticClass(), "MS Sans Serif"},
      {vsUseLookAndFeel, lfUltraFlat, TdxDockControlNETPainter::StaticClass(), "Tahoma"},
      {vsUseLookAndFeel, lfFlat, TdxDockControlNETPainter::StaticClass(), "Tahoma"},
      {vsUseLookAndFeel, lfOffice11, TdxDockControlOfficePainter::StaticClass(), "Tahoma"},
      {vsUseLookAndFeel, lfStandard, TdxDockControlPainter::StaticClass(), "MS Sans Serif"},
  };
  manager->LookAndFeel()->SetNativeStyle(false);
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.painter->ClassName()) + " " + IntToStr(c.view));
    manager->LookAndFeel()->SetKind(c.kind);
    manager->SetViewStyle(c.view);
    EXPECT_EQ(p[0]->Painter()->ClassType(), c.painter);
    EXPECT_EQ(manager->Font()->Name(), c.font);
    EXPECT_EQ(p[0]->Font()->Name(), c.font);
    manager->SetViewStyle(vsStandard);
  }
}

TEST_F(DockFrameTest, ViewMetrics) {
  auto* manager = new TdxDockingManager(form);
  TdxDockControlPainter* s = p[0]->Painter();
  EXPECT_EQ(s->GetTabsHeight(), 30);  // font size 8 + 22
  EXPECT_EQ(s->GetHideBarHeight(), 28);
  EXPECT_EQ(s->GetHideBarWidth(), 28);
  manager->SetViewStyle(vsNET);
  TdxDockControlPainter* n = p[0]->Painter();
  EXPECT_FALSE(n->CanVerticalCaption());
  EXPECT_EQ(n->GetCaptionHeight(), 18);
  EXPECT_EQ(n->GetTabsHeight(), 24);
  EXPECT_EQ(n->GetHideBarWidth(), 24);
  EXPECT_EQ(n->GetSpareMetric(), 4);
  EXPECT_EQ(n->GetTabVertOffset(), 1);
}

}  // namespace
