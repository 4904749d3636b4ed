// The details-site base: client bounds inside the frame, the height of a site with and without
// a view that fits, the width, the active view that goes, and the painting of frame and
// background; the tab strips on the left and at the top (borders, indents, sizes), the tab hit
// test, tabs by mouse and by accelerator, and the top site's tabs on the grid's surface.
#include <gtest/gtest.h>

#include "tests/grid/GridTestSupport.h"
#include "gdi/Gdi.h"
#include "rtl/SysUtils.h"
#include "user/Windows.h"
#include "vcl/ControlMessages.h"

using namespace gridtest;

namespace {

class TTestDetailsSite : public TcxCustomGridDetailsSiteViewInfo {
 public:
  TTestDetailsSite(TcxGridLevel* level, TcxCustomGridView* view) : TcxCustomGridDetailsSiteViewInfo(level), view_(view) {
    bitmap_.SetSize(400, 300);
    canvas_.reset(new TcxCanvas(bitmap_.Canvas()));
  }
  TcxCanvas* GetCanvas() override { return canvas_.get(); }
  TcxControl* GetControl() override { return nullptr; }
  bool SupportsTabAccelerators() override { return Accelerators; }
  TcxCustomLookAndFeelPainterClass GetLookAndFeelPainter() override { return TcxStandardLookAndFeelPainter::Class(); }
  TcxCustomGridRecord* GetMasterRecord() override { return nullptr; }
  Integer GetMaxHeight() override { return MaxHeight; }
  Integer GetMaxWidth() override { return MaxWidth; }
  TcxCustomGridView* FindActiveGridView() override { return view_; }
  TcxGridLevel* GetActiveLevel() override { return ActiveLevel; }
  void InitTabHitTest(TcxGridDetailsSiteTabHitTest* hitTest) override { hitTest->SetOwner(this); }
  void ChangeActiveTab(TcxGridLevel* level, bool byKeyboard) override {
    ActiveLevel = level;
    Changes.push_back({level, byKeyboard});
  }
  Integer MaxHeight = 300, MaxWidth = 250;
  TcxGridLevel* ActiveLevel = nullptr;
  bool Accelerators = false;
  std::vector<std::pair<TcxGridLevel*, bool>> Changes;

 private:
  TcxCustomGridView* view_;
  TBitmap bitmap_;
  std::unique_ptr<TcxCanvas> canvas_;
};

class DetailsSiteTest : public GridFixture {};

TEST_F(DetailsSiteTest, SizesFollowTheViewAndTheFrame) {
  TTestView* view = AddView();
  TcxGridLevel* level = view->Level();
  level->Options()->SetDetailFrameWidth(2);
  // Without an active view: 100 high plus the frame, as wide as the maximum.
  auto* empty = new TTestDetailsSite(level, nullptr);
  empty->Calculate(10, 20);
  EXPECT_EQ(empty->TabsViewInfo(), nullptr);
  EXPECT_EQ(empty->Bounds, TRect(10, 20, 10 + 250, 20 + 104));
  EXPECT_EQ(empty->ClientBounds(), TRect(12, 22, 258, 122));
  EXPECT_TRUE(empty->GetViewFits());
  empty->Free();
  // A view that fits: its height plus the frame; one that does not: the maximum height.
  auto* site = new TTestDetailsSite(level, view);
  view->TestViewInfo()->ContentHeight = 120;
  site->Calculate(0, 0);
  EXPECT_EQ(site->Bounds.Height(), 124);
  EXPECT_TRUE(site->GetViewFits());
  EXPECT_EQ(view->Site()->BoundsRect(), site->ClientBounds());  // the view is placed inside
  view->TestViewInfo()->ContentHeight = 500;
  site->Calculate(0, 0);
  EXPECT_EQ(site->Bounds.Height(), 300);
  EXPECT_FALSE(site->GetViewFits());
  EXPECT_GE(site->GetNaturalHeight(), 300);
  // The hit test goes to the view's cells in site coordinates.
  TPoint inCell(site->ClientBounds().Left + 3, site->ClientBounds().Top + 3);
  TcxCustomGridHitTest* h = site->GetHitTest(inCell);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->ViewInfo(), view->TestViewInfo()->Cells[0].get());
  // The active view freed: no stale reference.
  view->Free();
  EXPECT_FALSE(site->HasActiveGridView());
  EXPECT_EQ(site->GetActiveGridView(), nullptr);
  EXPECT_EQ(site->GetHitTest(inCell), nullptr);
  site->Free();
}

TEST_F(DetailsSiteTest, PaintsTheFrameAndTheBackgroundAndExcludesItself) {
  TTestView* view = AddView();
  TcxGridLevel* level = view->Level();
  level->Options()->SetDetailFrameWidth(3);
  level->Options()->SetDetailFrameColor(clRed);
  auto* site = new TTestDetailsSite(level, nullptr);
  site->MaxWidth = 60;
  site->Calculate(5, 5);
  TBitmap bitmap;
  bitmap.SetSize(80, 130);
  TcxCanvas canvas(bitmap.Canvas());
  canvas.FillRectColor(TRect(0, 0, 80, 130), TColor(0x123456));
  site->Paint(&canvas);
  // What follows paints around it.
  canvas.FillRectColor(TRect(0, 0, 80, 130), clBlue);
  SelectClipRgn(bitmap.Canvas()->Handle(), nullptr);
  EXPECT_EQ(bitmap.Canvas()->Pixels(6, 6), ColorToRGB(clRed));
  EXPECT_EQ(bitmap.Canvas()->Pixels(7, 60), ColorToRGB(clRed));
  EXPECT_EQ(bitmap.Canvas()->Pixels(20, 60), ColorToRGB(grid_->Color()));
  EXPECT_EQ(bitmap.Canvas()->Pixels(70, 60), ColorToRGB(clBlue));
  site->Free();
}

// Three child levels, the middle one active: the borders of each tab and the indent of the
// inactive ones, on the left and at the top.
TEST_F(DetailsSiteTest, TabBordersAndIndentsOfLeftAndTopStrips) {
  TTestView* view = AddView();
  TcxGridLevel* level = view->Level();
  TcxGridLevel* children[3];
  const char* captions[] = {"&Orders", "&Items", "&Notes"};
  for (Integer i = 0; i < 3; ++i) {
    children[i] = level->Add();
    children[i]->SetCaption(captions[i]);
  }
  struct Case {
    TcxGridDetailTabsPosition position;
    TcxBorders first, middle, last;
  } cases[] = {
      {dtpLeft, TcxBorders{bLeft, bTop, bRight}, TcxBorders{bLeft, bTop, bBottom}, TcxBorders{bLeft, bRight, bBottom}},
      {dtpTop, TcxBorders{bTop, bBottom, bLeft}, TcxBorders{bLeft, bTop, bRight}, TcxBorders{bTop, bBottom, bRight}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Integer(c.position));
    level->Options()->SetDetailTabsPosition(c.position);
    level->Options()->SetDetailFrameWidth(1);
    auto* site = new TTestDetailsSite(level, nullptr);
    site->ActiveLevel = children[1];
    TcxCustomGridDetailsSiteTabsViewInfo* tabs = site->TabsViewInfo();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->GetTabCount(), 3);
    const bool left = c.position == dtpLeft;
    EXPECT_EQ(tabs->IsVertical(), left);
    site->Calculate(10, 20);
    TcxCustomGridDetailsSiteTabViewInfo* t[3] = {tabs->GetTab(0), tabs->GetTab(1), tabs->GetTab(2)};
    EXPECT_EQ(t[0]->Borders, c.first);
    EXPECT_EQ(t[1]->Borders, c.middle);
    EXPECT_EQ(t[2]->Borders, c.last);
    EXPECT_EQ(t[1]->State(), gcsPressed);
    const Integer offset = tabs->GetActiveTabOffset();
    EXPECT_EQ(offset, left ? 3 : 2);
    if (left) {
      // Stacked downwards from 2 pixels in; inactive tabs start 3 further right.
      EXPECT_EQ(t[0]->Bounds.Top, 22);
      EXPECT_EQ(t[1]->Bounds.Top, t[0]->Bounds.Bottom);
      EXPECT_EQ(t[2]->Bounds.Top, t[1]->Bounds.Bottom);
      EXPECT_EQ(t[1]->Bounds.Left, 12);
      EXPECT_EQ(t[0]->Bounds.Left, 12 + offset);
      EXPECT_EQ(t[0]->Bounds.Right, t[1]->Bounds.Right);
      EXPECT_EQ(tabs->Bounds.Width(), tabs->GetWidth());
      EXPECT_EQ(tabs->PaneBounds(), TRect(tabs->Bounds.Right - 4, 20, tabs->Bounds.Right, site->Bounds.Bottom));
      // The client area starts right of the strip, inside the frame.
      EXPECT_EQ(site->ClientBounds().Left, tabs->Bounds.Right + 1);
      EXPECT_EQ(site->ClientBounds().Top, 21);
    } else {
      EXPECT_EQ(t[0]->Bounds.Left, 12);
      EXPECT_EQ(t[1]->Bounds.Left, t[0]->Bounds.Right);
      EXPECT_EQ(t[1]->Bounds.Top, 22);
      EXPECT_EQ(t[0]->Bounds.Top, 22 + offset);
      EXPECT_EQ(t[0]->Bounds.Bottom, t[1]->Bounds.Bottom);
      EXPECT_EQ(tabs->Bounds.Height(), tabs->GetHeight());
      EXPECT_EQ(tabs->GetWidth(), 4 + t[0]->Bounds.Width() + t[1]->Bounds.Width() + t[2]->Bounds.Width());
      EXPECT_EQ(site->ClientBounds().Top, tabs->Bounds.Bottom + 1);
      EXPECT_EQ(site->ClientBounds().Left, 11);
    }
    // An active first tab starts its border width earlier.
    site->ActiveLevel = children[0];
    site->Calculate(10, 20);
    EXPECT_EQ(left ? t[0]->Bounds.Top : t[0]->Bounds.Left, left ? 21 : 11);
    // The hit test names the tab's level and what the site adds.
    TPoint inTab(t[2]->Bounds.Left + 3, t[2]->Bounds.Top + 3);
    auto* hitTest = dynamic_cast<TcxGridDetailsSiteTabHitTest*>(site->GetHitTest(inTab));
    ASSERT_NE(hitTest, nullptr);
    EXPECT_EQ(hitTest->GetHitTestCode(), 50);
    EXPECT_EQ(hitTest->Level(), children[2]);
    EXPECT_EQ(hitTest->Owner(), site);
    // A press makes the tab's level active.
    EXPECT_TRUE(hitTest->ViewInfo()->MouseDown(hitTest, mbLeft, TShiftState()));
    ASSERT_EQ(site->Changes.size(), 1u);
    EXPECT_EQ(site->Changes[0], std::make_pair(children[2], false));
    // Accelerators only where the site supports them; the caption shows without "&" otherwise.
    EXPECT_FALSE(site->ProcessDialogChar('i'));
    EXPECT_EQ(t[1]->GetDisplayText(), "Items");
    site->Accelerators = true;
    EXPECT_EQ(t[1]->GetDisplayText(), "&Items");
    EXPECT_TRUE(t[1]->GetTextAttributes(true) & ctfShowPrefix);
    EXPECT_TRUE(site->ProcessDialogChar('I'));
    EXPECT_FALSE(site->ProcessDialogChar('x'));
    ASSERT_EQ(site->Changes.size(), 2u);
    EXPECT_EQ(site->Changes[1], std::make_pair(children[1], true));
    site->Free();
  }
}

// A left strip taller than the view makes the site at least as tall; a top strip wider than the
// maximum width keeps the site at the maximum; without a view the site is 100 high plus the
// non-client parts.
TEST_F(DetailsSiteTest, TabStripsAdjustTheSiteSize) {
  TTestView* view = AddView();
  TcxGridLevel* level = view->Level();
  for (Integer i = 0; i < 8; ++i) level->Add()->SetCaption("Level " + IntToStr(i));
  level->Options()->SetDetailFrameWidth(0);
  level->Options()->SetDetailTabsPosition(dtpLeft);
  auto* site = new TTestDetailsSite(level, view);
  site->ActiveLevel = level->Items(0);
  view->TestViewInfo()->ContentHeight = 20;
  site->Calculate(0, 0);
  EXPECT_EQ(site->Bounds.Height(), site->TabsViewInfo()->GetHeight());
  EXPECT_TRUE(site->GetViewFits());
  EXPECT_EQ(site->GetNaturalHeight(), site->Bounds.Height());
  site->Free();
  level->Options()->SetDetailTabsPosition(dtpTop);
  site = new TTestDetailsSite(level, nullptr);
  site->MaxWidth = 120;
  site->Calculate(0, 0);
  EXPECT_GT(site->TabsViewInfo()->GetWidth(), 120);
  EXPECT_EQ(site->Bounds.Width(), 120);
  EXPECT_EQ(site->Bounds.Height(), 100 + site->TabsViewInfo()->GetHeight());
  site->Free();
}

// Top-level tabs on the grid's own surface: a click switches the active level, an accelerator
// too (the top site always supports them); the views sit under the strip.
TEST_F(DetailsSiteTest, TopLevelTabsSwitchByMouseAndAccelerator) {
  TTestView* first = AddView(nullptr, "first");
  TTestView* second = AddView(nullptr, "second");
  first->Level()->SetCaption("&First");
  second->Level()->SetCaption("&Second");
  grid_->RootLevel()->Options()->SetDetailTabsPosition(dtpTop);
  ShowForm();
  grid_->ViewInfo()->Calculate();
  TcxGridTopDetailsSiteViewInfo* site = grid_->ViewInfo()->DetailsSiteViewInfo();
  ASSERT_NE(site->TabsViewInfo(), nullptr);
  ASSERT_EQ(site->TabsViewInfo()->GetTabCount(), 2);
  EXPECT_EQ(grid_->ActiveLevel(), first->Level());
  EXPECT_EQ(first->Site()->Top(), site->TabsViewInfo()->Bounds.Bottom);
  std::vector<TcxGridLevel*> changed;
  grid_->OnActiveTabChanged = [&](TcxCustomGrid*, TcxGridLevel* level) { changed.push_back(level); };
  TRect tab = site->TabsViewInfo()->GetTab(1)->Bounds;
  S().Click(grid_->Handle(), POINT{tab.Left + 4, tab.Top + 4});
  Pump();
  EXPECT_EQ(grid_->ActiveLevel(), second->Level());
  EXPECT_EQ(grid_->ActiveView(), second);
  EXPECT_EQ(SendMessage(grid_->Handle(), CM_DIALOGCHAR, 'f', 0), 1);
  Pump();
  EXPECT_EQ(grid_->ActiveLevel(), first->Level());
  EXPECT_EQ(SendMessage(grid_->Handle(), CM_DIALOGCHAR, 'z', 0), 0);
  EXPECT_GE(changed.size(), 2u);
}

}  // namespace
