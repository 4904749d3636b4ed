// The caption mouse with injected input: hot buttons only while the form is active; close
// and maximize act on release over the same button and only repaint elsewhere; the context
// menu at the mouse point and, from the keyboard, at the client origin.
#include "tests/docking/DockingTestSupport.h"
#include "vcl/Menus.h"

using namespace docktest;

namespace {

// Records where it would pop up instead of tracking.
class TRecordingMenu : public TPopupMenu {
 public:
  using TPopupMenu::TPopupMenu;
  void Popup(Integer x, Integer y) override { points.push_back(TPoint(x, y)); }
  std::vector<TPoint> points;
};

class CaptionMouseTest : public DockingFixture {
 protected:
  // P1 and P2 side by side in a horizontal container on a shown form.
  void SetUp() override {
    DockingFixture::SetUp();
    site->SetAlign(alClient);
    p[0]->DockTo(site, dtLeft, -1);
    p[1]->DockTo(p[0], dtRight, -1);
    form->Show();
    Pump();
  }
};

TEST_F(CaptionMouseTest, HotButtonsOnlyWhileTheFormIsActive) {
  TdxDockPanel* panel = p[0];
  ASSERT_TRUE(panel->HasCaptionCloseButton());
  ASSERT_TRUE(panel->HasCaptionMaximizeButton());
  HWND wnd = panel->Handle();
  ASSERT_TRUE(form->Active());
  S().MoveMouse(wnd, ClientPoint(panel, Center(panel->CaptionCloseButtonRect())));
  EXPECT_TRUE(panel->IsCloseButtonHot());
  S().MoveMouse(wnd, ClientPoint(panel, Center(panel->CaptionMaximizeButtonRect())));
  EXPECT_FALSE(panel->IsCloseButtonHot());
  EXPECT_TRUE(panel->IsMaximizeButtonHot());
  S().MoveMouse(wnd, ClientPoint(panel, Center(panel->CaptionTextRect())));
  EXPECT_FALSE(panel->IsMaximizeButtonHot());
  // Another form active: no hot buttons.
  TForm* other = NewForm("Other");
  other->SetBounds(600, 500, 100, 100);
  other->Show();
  Pump();
  ASSERT_FALSE(form->Active());
  S().MoveMouse(wnd, ClientPoint(panel, Center(panel->CaptionCloseButtonRect())));
  EXPECT_FALSE(panel->IsCloseButtonHot());
}

TEST_F(CaptionMouseTest, ButtonsActOnReleaseOverTheSameButton) {
  TdxDockPanel* panel = p[0];
  HWND wnd = panel->Handle();
  auto* hc = dynamic_cast<TdxSideContainerDockSite*>(panel->ParentDockControl());
  ASSERT_NE(hc, nullptr);
  Record(panel);
  POINT maximize = ClientPoint(panel, Center(panel->CaptionMaximizeButtonRect()));
  POINT close = ClientPoint(panel, Center(panel->CaptionCloseButtonRect()));
  POINT text = ClientPoint(panel, Center(panel->CaptionTextRect()));
  // Pressed on maximize, released elsewhere: nothing but a repaint.
  S().MouseDown(wnd, maximize);
  EXPECT_TRUE(panel->IsMaximizeButtonPressed());
  S().MouseUp(wnd, text);
  EXPECT_FALSE(panel->IsMaximizeButtonPressed());
  EXPECT_EQ(hc->ActiveChild(), nullptr);
  // Released over it: maximizes; again: restores (presses apart in time, not double clicks).
  Advance(1000);
  S().Click(wnd, maximize);
  EXPECT_EQ(hc->ActiveChild(), panel);
  Pump();
  maximize = ClientPoint(panel, Center(panel->CaptionMaximizeButtonRect()));
  Advance(1000);
  S().Click(wnd, maximize);
  EXPECT_EQ(hc->ActiveChild(), nullptr);
  Advance(1000);
  // Close pressed, moved over maximize and released: no close.
  Pump();
  close = ClientPoint(panel, Center(panel->CaptionCloseButtonRect()));
  maximize = ClientPoint(panel, Center(panel->CaptionMaximizeButtonRect()));
  S().MouseDown(wnd, close);
  S().MouseUp(wnd, maximize);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(hc->ActiveChild(), nullptr);
  Advance(1000);
  S().Click(wnd, close);
  EXPECT_EQ(log, (std::vector<String>{"P1.CloseQuery", "P1.Close"}));
  EXPECT_FALSE(panel->Visible());
}

TEST_F(CaptionMouseTest, ContextMenuAtTheMouseOrAtTheClientOrigin) {
  auto* menu = new TRecordingMenu(form);
  TdxDockPanel* panel = p[1];
  panel->SetPopupMenu(menu);
  HWND wnd = panel->Handle();
  TPoint screen = panel->ClientToScreen(TPoint(5, -7));  // on the caption
  SendMessage(wnd, WM_CONTEXTMENU, WPARAM(wnd), MAKELPARAM(screen.X, screen.Y));
  SendMessage(wnd, WM_CONTEXTMENU, WPARAM(wnd), MAKELPARAM(-1, -1));
  EXPECT_EQ(menu->points, (std::vector<TPoint>{screen, panel->ClientToScreen(TPoint(0, 0))}));
  EXPECT_EQ(menu->PopupComponent(), panel);
  // Without AutoPopup the control does not pop it up.
  menu->SetAutoPopup(false);
  SendMessage(wnd, WM_CONTEXTMENU, WPARAM(wnd), MAKELPARAM(screen.X, screen.Y));
  EXPECT_EQ(menu->points.size(), 2u);
}

}  // namespace
