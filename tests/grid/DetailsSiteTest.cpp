// The details-site base: client bounds inside the frame, the height of a site with and without
// a view that fits, the width, the active view that goes, and the painting of frame and
// background.
#include <gtest/gtest.h>

#include "tests/grid/GridTestSupport.h"
#include "gdi/Gdi.h"

using namespace gridtest;

namespace {

class TTestDetailsSite : public TcxCustomGridDetailsSiteViewInfo {
 public:
  TTestDetailsSite(TcxGridLevel* level, TcxCustomGridView* view) : TcxCustomGridDetailsSiteViewInfo(level), view_(view) {}
  TcxCanvas* GetCanvas() override { return nullptr; }
  TcxCustomLookAndFeelPainterClass GetLookAndFeelPainter() override { return TcxStandardLookAndFeelPainter::Class(); }
  TcxCustomGridRecord* GetMasterRecord() override { return nullptr; }
  Integer GetMaxHeight() override { return MaxHeight; }
  Integer GetMaxWidth() override { return MaxWidth; }
  TcxCustomGridView* FindActiveGridView() override { return view_; }
  TcxGridLevel* GetActiveLevel() override { return nullptr; }
  void InitTabHitTest(TcxGridDetailsSiteTabHitTest*) override {}
  void ChangeActiveTab(TcxGridLevel*, bool) override {}
  Integer MaxHeight = 300, MaxWidth = 250;

 private:
  TcxCustomGridView* view_;
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

}  // namespace
