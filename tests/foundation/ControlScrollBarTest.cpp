// The painted scroll bar (layout, repeat, thumb tracking) and the scroll bars of TcxControl
// (visibility settling, wheel, panning).
#include <gtest/gtest.h>

#include "rtl/Math.h"
#include "tests/foundation/ControlTestSupport.h"

using namespace controltest;

namespace {

class ScrollBarTest : public ControlFixture {
 protected:
  TcxScrollBar* MakeBar(TScrollBarKind kind, Integer length) {
    auto* bar = new TcxScrollBar(form_);
    bar->SetKind(kind);
    if (kind == sbHorizontal) bar->SetBounds(10, 10, length, GetSystemMetrics(SM_CYHSCROLL));
    else bar->SetBounds(10, 10, GetSystemMetrics(SM_CXVSCROLL), length);
    bar->SetParent(form_);
    bar->OnScroll = [this](TObject*, TScrollCode code, Integer& pos) {
      codes_.push_back(code);
      if (overrideScroll_) pos = clampTo_;
    };
    form_->Show();
    Pump();
    return bar;
  }
  TPoint Centre(const TRect& r) { return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }
  std::vector<TScrollCode> codes_;
  bool overrideScroll_ = false;
  Integer clampTo_ = 0;
};

TEST_F(ScrollBarTest, ParametersOutOfRangeRaiseAndChangeNothing) {
  TcxScrollBar* bar = MakeBar(sbHorizontal, 200);
  bar->SetScrollParams(0, 50, 20, 10);
  EXPECT_THROW(bar->SetScrollParams(10, 5, 7, 0), EInvalidOperation);
  EXPECT_THROW(bar->SetScrollParams(-20, 5, 0, 10), EInvalidOperation);
  EXPECT_EQ(bar->Max(), 50);
  EXPECT_EQ(bar->Position(), 20);
  bar->SetScrollParams(0, 50, 80, 10);
  EXPECT_EQ(bar->Position(), 50);  // clamped, not rejected
}

TEST_F(ScrollBarTest, ThumbGeometryFollowsRangeAndPageSize) {
  TcxScrollBar* bar = MakeBar(sbVertical, 200);
  Integer arrow = GetSystemMetrics(SM_CXVSCROLL);
  Integer track = 200 - 2 * arrow;
  Integer thumb = GetSystemMetrics(SM_CYVTHUMB);
  struct Case {
    Integer min, max, position, page;
    Integer top, length;  // -1: no thumb
  } cases[] = {
      {0, 100, 0, 0, arrow, thumb},
      {0, 100, 100, 0, arrow + track - thumb, thumb},
      {0, 100, 50, 0, arrow + MulDiv(track - thumb, 50, 100), thumb},
      {0, 99, 0, 50, arrow, track / 2},
      {0, 99, 50, 50, arrow + (track - track / 2), track / 2},
      {0, 999, 0, 1, arrow, 8},  // the minimum thumb length
      {5, 5, 5, 1, -1, 0},       // Max = Min: no thumb
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.min << ".." << c.max << " pos " << c.position << " page " << c.page);
    bar->SetScrollParams(c.min, c.max, c.position, c.page);
    if (c.top < 0) {
      EXPECT_TRUE(bar->ThumbRect().IsEmpty());
      EXPECT_EQ(bar->HitTest(TPoint(5, 100)), sbpNone);
    } else {
      EXPECT_EQ(bar->ThumbRect().Top, c.top);
      EXPECT_EQ(bar->ThumbRect().Height(), c.length);
      EXPECT_EQ(bar->PageUpRect().Bottom, bar->ThumbRect().Top);
      EXPECT_EQ(bar->PageDownRect().Top, bar->ThumbRect().Bottom);
    }
  }
}

TEST_F(ScrollBarTest, HeldArrowRepeatsAfter400ThenEvery60AndPausesOffThePart) {
  TcxScrollBar* bar = MakeBar(sbHorizontal, 200);
  HWND w = bar->Handle();
  TPoint down = Centre(bar->LineDownRect());
  S().MouseDown(w, down);
  EXPECT_EQ(bar->Position(), 1);
  Advance(399);
  EXPECT_EQ(bar->Position(), 1);
  Advance(1);
  EXPECT_EQ(bar->Position(), 2);
  Advance(59);
  EXPECT_EQ(bar->Position(), 2);
  Advance(1);
  EXPECT_EQ(bar->Position(), 3);
  Advance(60);
  EXPECT_EQ(bar->Position(), 4);
  S().MoveMouse(w, Centre(bar->LineUpRect()));
  Advance(300);
  EXPECT_EQ(bar->Position(), 4);
  S().MoveMouse(w, down);
  Advance(60);
  EXPECT_EQ(bar->Position(), 5);
  S().MouseUp(w, down);
  Advance(300);
  EXPECT_EQ(bar->Position(), 5);
  EXPECT_EQ(std::count(codes_.begin(), codes_.end(), scEndScroll), 1);
  S().Snapshot(form_->Handle(), "scrollbar_arrow_released.png", true);
}

TEST_F(ScrollBarTest, ThumbDragTracksStaysInTrackAndSnapsBackFarAway) {
  TcxScrollBar* bar = MakeBar(sbVertical, 200);
  bar->SetScrollParams(0, 99, 0, 20);
  HWND w = bar->Handle();
  TPoint start = Centre(bar->ThumbRect());
  S().MouseDown(w, start);
  S().MoveMouse(w, TPoint(start.X, start.Y + 40));
  Integer tracked = bar->Position();
  EXPECT_GT(tracked, 0);
  EXPECT_EQ(bar->ThumbRect().Top, GetSystemMetrics(SM_CXVSCROLL) + 40);
  // Far along the bar (still within the tolerance): the thumb stops at the lower arrow.
  S().MoveMouse(w, TPoint(start.X, bar->Height() + 30));
  EXPECT_EQ(bar->ThumbRect().Bottom, bar->LineDownRect().Top);
  EXPECT_EQ(bar->Position(), 80);
  // Beyond the tolerance across the bar: back to the position at the press.
  S().MoveMouse(w, TPoint(start.X + 200, start.Y + 40));
  EXPECT_EQ(bar->Position(), 0);
  S().MoveMouse(w, TPoint(start.X, start.Y + 40));
  codes_.clear();
  S().MouseUp(w, TPoint(start.X, start.Y + 40));
  ASSERT_EQ(codes_.size(), 2u);
  EXPECT_EQ(codes_[0], scPosition);
  EXPECT_EQ(codes_[1], scEndScroll);
  EXPECT_EQ(bar->Position(), tracked);
}

TEST_F(ScrollBarTest, UnlimitedTrackingKeepsFollowingFarAway) {
  TcxScrollBar* bar = MakeBar(sbVertical, 200);
  bar->SetScrollParams(0, 99, 0, 20);
  bar->SetUnlimitedTracking(true);
  HWND w = bar->Handle();
  TPoint start = Centre(bar->ThumbRect());
  S().MouseDown(w, start);
  S().MoveMouse(w, TPoint(start.X + 300, start.Y + 40));
  EXPECT_GT(bar->Position(), 0);
  S().MouseUp(w, TPoint(start.X + 300, start.Y + 40));
}

TEST_F(ScrollBarTest, ThumbFillingItsTrackKeepsThePositionAtTheMinimum) {
  Integer arrow = GetSystemMetrics(SM_CXVSCROLL);
  TcxScrollBar* bar = MakeBar(sbVertical, 2 * arrow + 8);  // a track exactly the minimum thumb
  bar->SetScrollParams(5, 500, 5, 10);
  ASSERT_EQ(bar->ThumbRect().Height(), 8);
  HWND w = bar->Handle();
  TPoint p = Centre(bar->ThumbRect());
  std::vector<Integer> positions;
  bar->OnScroll = [&](TObject*, TScrollCode, Integer& pos) { positions.push_back(pos); };
  S().MouseDown(w, p);
  S().MouseUp(w, p);
  EXPECT_EQ(bar->Position(), 5);
  for (Integer pos : positions) EXPECT_GE(pos, 5);
}

TEST_F(ScrollBarTest, OnScrollMayChangeThePositionWithinTheRange) {
  TcxScrollBar* bar = MakeBar(sbHorizontal, 200);
  bar->SetScrollParams(0, 50, 10, 0);
  struct Case {
    Integer handlerPos, expected;
  } cases[] = {{30, 30}, {500, 50}, {-7, 0}};
  for (const Case& c : cases) {
    overrideScroll_ = true;
    clampTo_ = c.handlerPos;
    bar->Scroll(scLineDown);
    EXPECT_EQ(bar->Position(), c.expected) << c.handlerPos;
  }
}

TEST_F(ScrollBarTest, ChangingKindAtRunTimeTurnsTheBar) {
  TcxScrollBar* bar = MakeBar(sbHorizontal, 150);
  Integer h = bar->Height();
  bar->SetKind(sbVertical);
  EXPECT_EQ(bar->Width(), h);
  EXPECT_EQ(bar->Height(), 150);
}

// ---- the control's bars --------------------------------------------------------------------

class ControlBarsTest : public ControlFixture {};

TEST_F(ControlBarsTest, VisibilitySettlesByContent) {
  struct Case {
    Integer cw, ch;
    TScrollStyle setting;
    bool h, v;
  } cases[] = {
      {100, 100, ssBoth, false, false},
      {600, 100, ssBoth, true, false},
      {100, 900, ssBoth, false, true},
      {600, 900, ssBoth, true, true},
      {290, 900, ssBoth, true, true},  // fits in width only without the vertical bar
      {600, 900, ssVertical, false, true},
      {600, 900, ssNone, false, false},
  };
  auto* c = MakeControl();
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.cw << "x" << k.ch << " setting " << k.setting);
    c->ContentWidth = k.cw;
    c->ContentHeight = k.ch;
    c->ChangeScrollBarsSetting(k.setting);
    c->RefreshScrollBars();
    EXPECT_EQ(c->HorizontalBar()->Visible(), k.h);
    EXPECT_EQ(c->VerticalBar()->Visible(), k.v);
    EXPECT_EQ(c->SizeGripPart()->Visible(), k.h && k.v);
    TRect content;
    c->ContentBounds(content);
    if (k.v) {
      EXPECT_EQ(c->VerticalBar()->BoundsRect(), TRect(content.Right, content.Top, content.Right + c->VerticalBar()->Width(), content.Bottom));
    }
    if (k.h) {
      EXPECT_EQ(c->HorizontalBar()->Top(), content.Bottom);
    }
  }
  c->ChangeScrollBarsSetting(ssBoth);
  c->ContentWidth = 100;
  c->ContentHeight = 900;
  c->RefreshScrollBars();
  S().Snapshot(form_->Handle(), "control_vertical_bar.png", true);
}

TEST_F(ControlBarsTest, FittingRangeHidesOrDisablesTheBar) {
  auto* c = MakeControl();
  c->ContentWidth = 100;
  c->ContentHeight = 100;
  c->HideWhenFits = false;
  c->RefreshScrollBars();
  EXPECT_TRUE(c->VerticalBar()->Visible());
  EXPECT_FALSE(c->VerticalBar()->Enabled());
  c->HideWhenFits = true;
  c->RefreshScrollBars();
  EXPECT_FALSE(c->VerticalBar()->Visible());
}

// Bars needed only because of each other.
class TMutualControl : public TScrollingControl {
 public:
  using TScrollingControl::TScrollingControl;
  bool CanHideBoth = false;
  void ComputeScrollBarData() override {
    StoreScrollBarParams(sbHorizontal, 0, 299, 1, 290, 0, true, true);
    StoreScrollBarParams(sbVertical, 0, 199, 1, 190, 0, true, true);
  }
  bool CanHideBothScrollBars(TScrollBarKind) override { return CanHideBoth; }
};

TEST_F(ControlBarsTest, BarsNeededOnlyByEachOtherAreBothHiddenWhenAllowed) {
  for (bool allow : {false, true}) {
    auto* c = MakeControl<TMutualControl>();
    c->CanHideBoth = allow;
    c->RefreshScrollBars();
    EXPECT_EQ(c->HorizontalBar()->Visible(), !allow);
    EXPECT_EQ(c->VerticalBar()->Visible(), !allow);
    c->Free();
  }
}

// A descendant whose need for the vertical bar goes away once the bar is shown.
class TAlternatingControl : public TScrollingControl {
 public:
  using TScrollingControl::TScrollingControl;
  Integer Computations = 0;
  void ComputeScrollBarData() override {
    ++Computations;
    StoreScrollBarParams(sbHorizontal, 0, 10, 1, 100, 0, true, true);
    bool need = !VerticalBar()->Visible();
    StoreScrollBarParams(sbVertical, 0, need ? 999 : 10, 1, 100, 0, true, true);
  }
};

TEST_F(ControlBarsTest, AlternatingLayoutEndsWithTheBarVisibleAndDisabled) {
  auto* c = MakeControl<TAlternatingControl>();
  c->RefreshScrollBars();
  EXPECT_TRUE(c->VerticalBar()->Visible());
  EXPECT_FALSE(c->VerticalBar()->Enabled());
  EXPECT_LT(c->Computations, 50);
}

TEST_F(ControlBarsTest, LockDefersRefreshToTheLastUnlock) {
  auto* c = MakeControl();
  c->ContentHeight = 100;
  c->RefreshScrollBars();
  c->BeginScrollBarsUpdate();
  c->BeginScrollBarsUpdate();
  c->ContentHeight = 900;
  c->RefreshScrollBars();
  c->EndScrollBarsUpdate();
  EXPECT_FALSE(c->VerticalBar()->Visible());
  c->EndScrollBarsUpdate();
  EXPECT_TRUE(c->VerticalBar()->Visible());
}

TEST_F(ControlBarsTest, PagesOf32768OrMoreNeverStepBackwards) {
  auto* c = MakeControl();
  for (Integer page : {32767, 32768, 40000, 65536}) {
    c->StoreScrollBarParams(sbVertical, 0, 1000000, 1, page, 0, true, true);
    c->VerticalBar()->ApplyPendingState();
    EXPECT_GT(c->VerticalBar()->LargeChange(), 0) << page;
    Integer before = c->VerticalBar()->Position();
    c->VerticalBar()->Scroll(scPageDown);
    EXPECT_GT(c->VerticalBar()->Position(), before) << page;
  }
}

TEST_F(ControlBarsTest, ClickingTheBarsScrollsTheContent) {
  auto* c = MakeControl();
  c->RefreshScrollBars();
  TcxControlScrollBar* v = c->VerticalBar();
  TRect down = v->LineDownRect();
  S().Click(v->Handle(), TPoint(down.Left + 2, down.Top + 2));
  EXPECT_EQ(c->TopPos, 10);
  EXPECT_EQ(c->CountScrolls(sbVertical, scLineDown), 1);
  EXPECT_TRUE(c->Focused());
  TRect page = v->PageDownRect();
  S().Click(v->Handle(), TPoint(page.Left + 2, page.Top + 2));
  TRect content;
  c->ContentBounds(content);
  EXPECT_EQ(c->TopPos, 10 + content.Height());
}

TEST_F(ControlBarsTest, WheelScrollsByTheSystemLineCount) {
  struct Case {
    Integer contentHeight;
    UINT lines;
    Integer delta;
    Integer topPos;
    bool formSawWheel;
  } cases[] = {
      {900, 3, -WHEEL_DELTA, 30, false},
      {900, 1, -WHEEL_DELTA, 10, false},
      {900, 0, -WHEEL_DELTA, 0, false},  // handled, nothing scrolled
      {100, 3, -WHEEL_DELTA, 0, true},   // no vertical bar: left to the framework
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.contentHeight << " lines " << k.lines);
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, k.lines, nullptr, 0);
    auto* c = MakeControl();
    c->ContentHeight = k.contentHeight;
    c->RefreshScrollBars();
    c->TopPos = 40;
    c->RefreshScrollBars();
    c->SetFocus();
    Pump();
    bool formSaw = false;
    form_->OnMouseWheel = [&](TObject*, TShiftState, Integer, TPoint, bool&) { formSaw = true; };
    S().Wheel(c->Handle(), TPoint(50, 50), k.delta);
    EXPECT_EQ(c->TopPos, k.contentHeight > 200 ? 40 + k.topPos : 40);
    EXPECT_EQ(formSaw, k.formSawWheel);
    form_->OnMouseWheel = nullptr;
    c->Free();
  }
}

class PanningTest : public ControlFixture {
 protected:
  void Idle(std::function<void()> f) { S().Backend().OnIdle(std::move(f)); }
  void Ticks(Integer n) {
    for (Integer i = 0; i < n; ++i) Idle([this] { S().Clock().Advance(20); });
  }
  TPoint Screen(TWinControl* c, TPoint p) { return S().ScreenPoint(c->Handle(), p); }
};

TEST_F(PanningTest, MovingAwayFromTheAnchorScrollsAtTheSpeedOfTheDistance) {
  auto* c = MakeControl();
  c->RefreshScrollBars();
  TPoint anchor = Screen(c, TPoint(100, 80));
  bool panningInside = false;
  Idle([&] { InputMouseMove(TPoint(anchor.X, anchor.Y + 60)); });  // speed 10: a step every 3 ticks
  Ticks(12);
  Idle([&] {
    panningInside = c->Panning();
    InputKey(VK_ESCAPE, true);
  });
  S().MouseDown(c->Handle(), TPoint(100, 80), kMouseMiddle);
  EXPECT_TRUE(panningInside);
  EXPECT_FALSE(c->Panning());
  EXPECT_EQ(c->TopPos, 40);
  EXPECT_EQ(c->LeftPos, 0);
  EXPECT_EQ(c->CountScrolls(sbVertical, scLineDown), 4);
  EXPECT_FALSE(Mouse()->Capture());
}

TEST_F(PanningTest, OnlyAVerticalBarNeverScrollsSideways) {
  auto* c = MakeControl();
  c->ContentWidth = 100;
  c->RefreshScrollBars();
  ASSERT_FALSE(c->HorizontalBar()->Visible());
  TPoint anchor = Screen(c, TPoint(100, 80));
  Idle([&] { InputMouseMove(TPoint(anchor.X + 150, anchor.Y)); });
  Ticks(30);
  Idle([&] { InputMouseButton(kMouseLeft, true, TPoint(anchor.X + 150, anchor.Y)); });
  S().MouseDown(c->Handle(), TPoint(100, 80), kMouseMiddle);
  EXPECT_FALSE(c->Panning());
  EXPECT_TRUE(c->Scrolls.empty());
}

TEST_F(PanningTest, ClickPanContinuesAfterTheMiddleButtonIsReleased) {
  auto* c = MakeControl();
  c->RefreshScrollBars();
  TPoint anchor = Screen(c, TPoint(100, 80));
  bool afterRelease = false;
  Idle([&] { InputMouseButton(kMouseMiddle, false, anchor); });
  Ticks(2);
  Idle([&] {
    afterRelease = c->Panning();
    InputMouseMove(TPoint(anchor.X - 200, anchor.Y));  // far left: speed capped at 12
  });
  Ticks(5);
  Idle([&] { InputMouseButton(kMouseMiddle, true, anchor); });
  S().MouseDown(c->Handle(), TPoint(100, 80), kMouseMiddle);
  EXPECT_TRUE(afterRelease);
  EXPECT_FALSE(c->Panning());
  EXPECT_EQ(c->CountScrolls(sbHorizontal, scLineUp), 5);
}

TEST_F(ControlBarsTest, SystemScrollBarSizeChangeResizesTheBars) {
  auto* c = MakeControl();
  c->RefreshScrollBars();
  Integer old = GetSystemMetrics(SM_CXVSCROLL);
  SetSystemMetric(SM_CXVSCROLL, old + 6);
  SetSystemMetric(SM_CYHSCROLL, old + 6);
  // Other settings do not reach the controls.
  BroadcastSystemChange(WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  Pump();
  EXPECT_EQ(c->VerticalBar()->Width(), old);
  BroadcastSystemChange(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  Pump();
  EXPECT_EQ(c->VerticalBar()->Width(), old + 6);
  EXPECT_EQ(c->HorizontalBar()->Height(), old + 6);
  TRect content;
  c->ContentBounds(content);
  EXPECT_EQ(c->VerticalBar()->Left(), content.Right);
  SetSystemMetric(SM_CXVSCROLL, old);
  SetSystemMetric(SM_CYHSCROLL, old);
}

}  // namespace
