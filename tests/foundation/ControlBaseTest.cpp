// TcxControl on a form: painting through its look and feel, the guarded input path, focus
// on click, popup menus, dialog codes and mouse-leave tracking.
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "tests/foundation/ControlTestSupport.h"

using namespace controltest;

namespace {

std::vector<String> gLog;

class TLoggingControl : public TScrollingControl {
 public:
  using TScrollingControl::TScrollingControl;
  void BeforeMouseDown(TMouseButton button, Integer x, Integer y) override {
    gLog.push_back("before-mouse-down");
    TScrollingControl::BeforeMouseDown(button, x, y);
  }
  void PreviewMouseDown(TMouseButton, TShiftState, Integer, Integer) override { gLog.push_back("preview"); }
};

class ControlBaseTest : public ControlFixture {
 protected:
  void SetUp() override {
    ControlFixture::SetUp();
    gLog.clear();
  }
};

TEST_F(ControlBaseTest, BorderIsPaintedByTheLookAndFeelPainter) {
  struct Case {
    TcxLookAndFeelKind kind;
    const char* sheet;
  } cases[] = {{lfStandard, "control_standard.png"},
               {lfFlat, "control_flat.png"},
               {lfUltraFlat, "control_ultraflat.png"},
               {lfOffice11, "control_office11.png"}};
  auto* c = MakeControl(160, 120);
  c->ContentHeight = 100;
  c->ContentWidth = 100;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.sheet);
    c->LookAndFeel()->SetKind(k.kind);
    c->RefreshScrollBars();
    c->Repaint();
    Pump();
    TcxCustomLookAndFeelPainterClass painter = c->CurrentPainter();
    ASSERT_TRUE(painter);
    EXPECT_EQ(c->FrameWidth(), painter->ControlBorderWidth());
    // The reference: the painter's border drawn on a bitmap of the control's size.
    TBitmap reference;
    reference.SetSize(160, 120);
    reference.Canvas()->Brush()->SetColor(clFuchsia);
    reference.Canvas()->FillRect(TRect(0, 0, 160, 120));
    {
      TcxCanvas canvas(reference.Canvas());
      painter->PaintControlBorder(&canvas, TRect(0, 0, 160, 120));
    }
    TSurface shown;
    ASSERT_TRUE(THeadlessBackend::CopyWindowPixels(c->Handle(), shown));
    Integer f = c->FrameWidth();
    for (Integer i = 0; i < f; ++i)
      for (TPoint p : {TPoint(i, 60), TPoint(80, i), TPoint(159 - i, 60), TPoint(80, 119 - i)})
        EXPECT_EQ(PixelToColorRef(shown.At(p.X, p.Y)), ColorToRGB(reference.Canvas()->Pixels(p.X, p.Y)))
            << p.X << "," << p.Y;
    S().Snapshot(c->Handle(), k.sheet);
  }
  c->SetBorderStyle(cxcbsNone);
  EXPECT_EQ(c->FrameWidth(), 0);
  TRect content;
  c->ContentBounds(content);
  EXPECT_EQ(content, TRect(0, 0, 160, 120));
}

TEST_F(ControlBaseTest, BoundsBeforeTheWindowExistsAreTheControlSize) {
  auto* c = new TScrollingControl(form_);
  c->SetBounds(0, 0, 77, 55);
  TRect r;
  c->ControlBounds(r);
  EXPECT_EQ(r, TRect(0, 0, 77, 55));
  EXPECT_TRUE(dynamic_cast<TcxScreenCanvas*>(c->CanvasForDrawing()) != nullptr);
  c->SetParent(form_);
  form_->Show();
  Pump();
  EXPECT_EQ(c->CanvasForDrawing(), c->Canvas());
}

// A handler that destroys the control ends the processing of the message there.
TEST_F(ControlBaseTest, HandlerThatDestroysTheControlStopsTheRemainingSteps) {
  enum Where { OnFocus, OnDown, OnUp };
  struct Case {
    Where where;
    std::vector<String> log;
  } cases[] = {
      {OnFocus, {}},
      {OnDown, {"preview", "down"}},
      {OnUp, {"preview", "down", "before-mouse-down", "up"}},
  };
  for (const Case& k : cases) {
    gLog.clear();
    auto* c = MakeControl<TLoggingControl>();
    auto* other = new TScrollingControl(form_);
    other->SetBounds(320, 10, 50, 50);
    other->SetParent(form_);
    Pump();
    other->SetFocus();
    Pump();
    TWeakRef<TControl> alive(c);
    HWND w = c->Handle();
    bool freed = false;
    c->OnFocusChanged = [&, c](TObject*) {
      if (k.where == OnFocus && !freed) {
        freed = true;
        c->Free();
      }
    };
    c->OnMouseDown = [&, c](TObject*, TMouseButton, TShiftState, Integer, Integer) {
      gLog.push_back("down");
      if (k.where == OnDown) {
        freed = true;
        c->Free();
      }
    };
    c->OnMouseUp = [&, c](TObject*, TMouseButton, TShiftState, Integer, Integer) {
      gLog.push_back("up");
      if (k.where == OnUp) {
        freed = true;
        c->Free();
      }
    };
    S().Click(w, TPoint(20, 20));
    EXPECT_EQ(gLog, k.log) << int(k.where);
    EXPECT_FALSE(IsWindow(w)) << int(k.where);
    if (alive) alive->Free();
    other->Free();
  }
}

TEST_F(ControlBaseTest, ClickFocusesUnlessTheControlDeclines) {
  for (bool focuses : {true, false}) {
    auto* c = MakeControl();
    auto* other = new TScrollingControl(form_);
    other->SetBounds(320, 10, 50, 50);
    other->SetParent(form_);
    Pump();
    other->SetFocus();
    c->SetClickFocuses(focuses);
    bool down = false;
    c->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { down = true; };
    S().Click(c->Handle(), TPoint(30, 30));
    EXPECT_EQ(c->Focused(), focuses);
    EXPECT_TRUE(down);
    EXPECT_FALSE(c->ButtonHeld());
    EXPECT_EQ(c->DownPoint(), TPoint(30, 30));
    c->Free();
    other->Free();
  }
}

class TMenuComponent : public TComponent, public IcxPopupMenu {
 public:
  using TComponent::TComponent;
  std::vector<TPoint> Popups;
  bool IsShortCut(const TWMKey& m) override { return m.CharCode == VK_F2; }
  void Popup(Integer x, Integer y) override { Popups.push_back(TPoint(x, y)); }
};

TEST_F(ControlBaseTest, PopupMenuAcceptsOnlyMenusAndForgetsAFreedOne) {
  auto* c = MakeControl();
  auto* notMenu = new TcxTimer(form_);
  c->SetPopupMenu(notMenu);
  EXPECT_EQ(c->PopupMenu(), nullptr);
  auto* menu = new TPopupMenu(form_);
  c->SetPopupMenu(menu);
  EXPECT_EQ(c->PopupMenu(), menu);
  menu->Free();
  EXPECT_EQ(c->PopupMenu(), nullptr);
}

TEST_F(ControlBaseTest, ContextMenuOpensAtTheClickOrAtTheClientOriginFromTheKeyboard) {
  auto* c = MakeControl();
  auto* menu = new TMenuComponent(form_);
  c->SetPopupMenu(menu);
  ASSERT_EQ(c->PopupMenu(), menu);
  S().Click(c->Handle(), TPoint(40, 50), kMouseRight);
  ASSERT_EQ(menu->Popups.size(), 1u);
  EXPECT_EQ(menu->Popups[0], c->ClientToScreen(TPoint(40, 50)));
  SendMessage(c->Handle(), WM_CONTEXTMENU, WPARAM(c->Handle()), MAKELPARAM(0xFFFF, 0xFFFF));
  ASSERT_EQ(menu->Popups.size(), 2u);
  EXPECT_EQ(menu->Popups[1], c->ClientToScreen(TPoint(0, 0)));
  // A point outside the client area (a border) is left to the framework.
  TPoint outside = c->ClientToScreen(TPoint(-3, 20));
  SendMessage(c->Handle(), WM_CONTEXTMENU, WPARAM(c->Handle()), MAKELPARAM(WORD(outside.X), WORD(outside.Y)));
  EXPECT_EQ(menu->Popups.size(), 2u);
  TWMKey f2{VK_F2, 0}, f3{VK_F3, 0};
  EXPECT_TRUE(c->PopupMenuTakesShortCut(f2));
  EXPECT_FALSE(c->PopupMenuTakesShortCut(f3));
}

TEST_F(ControlBaseTest, DialogCodesFollowTheWantedKeysAndCtrlFreesTab) {
  struct Case {
    TcxWantedKeys keys;
    bool ctrl;
    LRESULT code;
  } cases[] = {
      {{}, false, 0},
      {{wkArrows}, false, DLGC_WANTARROWS},
      {{wkAll, wkChars}, false, DLGC_WANTALLKEYS | DLGC_WANTCHARS},
      {{wkTab, wkArrows}, false, DLGC_WANTTAB | DLGC_WANTARROWS},
      {{wkTab, wkArrows}, true, DLGC_WANTARROWS},
  };
  auto* c = MakeControl();
  for (const Case& k : cases) {
    c->SetWantedKeys(k.keys);
    if (k.ctrl) InputKey(VK_CONTROL, true);
    EXPECT_EQ(SendMessage(c->Handle(), WM_GETDLGCODE, 0, 0), k.code);
    if (k.ctrl) InputKey(VK_CONTROL, false);
    Pump();
  }
}

TEST_F(ControlBaseTest, FontListenersHearFontChangesInOrder) {
  struct TListener : IcxFontListener {
    String name;
    void FontChanged(TObject*, TFont*) override { gLog.push_back(name); }
  } a, b;
  a.name = "a";
  b.name = "b";
  auto* c = MakeControl();
  c->AddFontListener(&a);
  c->AddFontListener(&b);
  c->Font()->SetSize(12);
  EXPECT_EQ(gLog, (std::vector<String>{"a", "b"}));
  c->RemoveFontListener(&a);
  c->RemoveFontListener(&b);
}

// ---- mouse-leave tracking ------------------------------------------------------------------

struct TTrackedPart : IcxMouseTrackingCaller {
  Integer leaves = 0;
  void MouseLeave() override { ++leaves; }
};

struct TTrackedArea : IcxMouseTrackingArea {
  Integer leaves = 0;
  TRect area;
  void MouseLeave() override { ++leaves; }
  bool PtInCaller(const TPoint& p) override { return area.Contains(p); }
};

TEST_F(ControlBaseTest, MouseLeaveTrackingTellsTheCallerAndTheControl) {
  struct Case {
    TPoint leaveTo;
    bool controlHearsLeave;
  } cases[] = {{TPoint(200, 150), false}, {TPoint(350, 150), true}};
  for (const Case& k : cases) {
    auto* c = MakeControl();
    std::vector<TObject*> leaveSenders;
    c->OnMouseLeave = [&](TObject* s) { leaveSenders.push_back(s); };
    TTrackedPart part;
    S().MoveMouse(form_->Handle(), TPoint(30, 30));
    BeginMouseTracking(c, TRect(0, 0, 60, 60), &part);
    BeginMouseTracking(c, TRect(0, 0, 60, 60), &part);
    EXPECT_EQ(MouseTrackingTimerCount(), 1);
    Advance(50);
    EXPECT_EQ(part.leaves, 0);
    S().MoveMouse(form_->Handle(), k.leaveTo);
    leaveSenders.clear();
    Advance(10);
    EXPECT_EQ(part.leaves, 1);
    EXPECT_FALSE(IsMouseTracked(&part));
    EXPECT_EQ(MouseTrackingTimerCount(), 0);
    EXPECT_EQ(!leaveSenders.empty(), k.controlHearsLeave);
    if (!leaveSenders.empty()) {
      EXPECT_EQ(leaveSenders[0], c);
    }
    EndMouseTracking(&part);  // not tracked any more: nothing happens
    c->Free();
  }
}

TEST_F(ControlBaseTest, TrackedAreaOfADestroyedWindowCountsAsLeft) {
  auto* c = MakeControl();
  TTrackedArea area;
  area.area = TRect(0, 0, 300, 200);
  S().MoveMouse(c->Handle(), TPoint(30, 30));
  BeginMouseTracking(c, area.area, &area);
  Advance(30);
  EXPECT_EQ(area.leaves, 0);
  c->Free();
  Advance(10);
  EXPECT_EQ(area.leaves, 1);
  EXPECT_FALSE(IsMouseTracked(&area));
}

TEST_F(ControlBaseTest, LeftoverTrackingTimersDoNotBreakTheShutDown) {
  auto* c = MakeControl();
  TTrackedPart part;
  S().MoveMouse(c->Handle(), TPoint(30, 30));
  BeginMouseTracking(c, TRect(0, 0, 60, 60), &part);
  auto* timer = new TcxTimer(nullptr);
  timer->SetOnTimer([](TObject*) {});
  EXPECT_NO_THROW(FinalizeCxControlsServices());
  EXPECT_EQ(MouseTrackingTimerCount(), 0);
  EXPECT_FALSE(IsMouseTracked(&part));
  // The services come back on their next use.
  timer->SetInterval(20);
  EXPECT_TRUE(timer->TimerRunning());
  timer->Free();
}

// ---- timers --------------------------------------------------------------------------------

TEST_F(ControlBaseTest, TimerRunsOnlyWithHandlerAndRestartsOnEveryChange) {
  auto* t = new TcxTimer(form_);
  Integer fired = 0;
  t->SetInterval(100);
  EXPECT_FALSE(t->TimerRunning());  // no handler yet
  t->SetOnTimer([&](TObject*) { ++fired; });
  EXPECT_TRUE(t->TimerRunning());
  Advance(90);
  t->SetInterval(0);  // ignored: no restart
  Advance(10);
  EXPECT_EQ(fired, 1);
  Advance(50);
  t->SetInterval(80);  // restarts the period
  Advance(79);
  EXPECT_EQ(fired, 1);
  Advance(1);
  EXPECT_EQ(fired, 2);
  t->SetOnTimer(nullptr);
  EXPECT_FALSE(t->TimerRunning());
  Advance(500);
  EXPECT_EQ(fired, 2);
  t->SetOnTimer([&](TObject*) { ++fired; });
  t->SetEnabled(false);
  EXPECT_FALSE(t->TimerRunning());
}

// ---- popup window placement ----------------------------------------------------------------

TEST_F(ControlBaseTest, PopupOpensBelowOrAboveAndStaysInTheWorkArea) {
  TRect work;
  MonitorWorkAreaAt(TPoint(10, 10), work);
  struct Case {
    TRect anchor;
    Byte direction, horz, vert;
    Integer w, h;
    TPoint expected;
  } cases[] = {
      // Below the owner.
      {TRect(100, 100, 200, 120), 1, 0, 2, 150, 100, TPoint(100, 120)},
      // Near the bottom with more room above: opens above.
      {TRect(100, work.Bottom - 50, 200, work.Bottom - 30), 1, 0, 2, 150, 100, TPoint(100, work.Bottom - 150)},
      // Equal or less room above: stays below, extending past the work area.
      {TRect(100, 90, 200, work.Bottom - 100), 1, 0, 2, 150, 200, TPoint(100, work.Bottom - 100)},
      // Kept inside horizontally.
      {TRect(work.Right - 40, 100, work.Right - 10, 120), 1, 0, 2, 150, 100, TPoint(work.Right - 150, 120)},
      // Beside, flipping to the right side of an owner at the left edge.
      {TRect(work.Left + 5, 100, work.Left + 50, 120), 0, 0, 0, 80, 60, TPoint(work.Left + 50, 100)},
      // Centred and larger than the work area: the left and top edges win.
      {TRect(100, 100, 200, 120), 1, 1, 1, work.Width() + 100, work.Height() + 100, TPoint(work.Left, work.Top)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.anchor.Left << "," << k.anchor.Top);
    auto* p = new TcxPopupWindow(nullptr);
    p->SetAnchorBounds(k.anchor);
    p->SetOpenDirection(k.direction);
    p->SetHorzAlignment(k.horz);
    p->SetVertAlignment(k.vert);
    p->SetBounds(0, 0, k.w, k.h);
    EXPECT_EQ(p->CalculatePlacement(), k.expected);
    p->Free();
  }
}

TEST_F(ControlBaseTest, PopupSizesToItsChildrenInsideTheFrame) {
  auto* p = new TcxPopupWindow(nullptr);
  p->SetBounds(0, 0, 33, 44);
  p->SizeToContent();
  EXPECT_EQ(p->Width(), 33);  // no children: the size stays
  auto* child = new TScrollingControl(p);
  child->SetBounds(0, 0, 100, 50);
  child->SetParent(p);
  p->SetFrameStyle(3);
  p->SetFrameSpacing(1);
  p->SizeToContent();
  EXPECT_EQ(child->Left(), 3);
  EXPECT_EQ(p->Width(), 106);
  EXPECT_EQ(p->Height(), 56);
  p->SetFrameStyle(1);
  p->SizeToContent();
  EXPECT_EQ(child->Left(), 2);
  EXPECT_EQ(p->Width(), 104);
  p->Free();
}

// ---- helpers -------------------------------------------------------------------------------

TEST(ControlHelpersTest, StripAccelChars) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {{"&File", "File"}, {"Save && Exit", "Save & Exit"}, {"End&", "End_"}, {"a&&&b", "a&b"}, {"", ""}};
  for (const Case& c : cases) EXPECT_EQ(StripAccelChars(c.in), c.out) << c.in;
}

TEST(ControlHelpersTest, NumberInputCharsByKind) {
  struct Case {
    char32_t c;
    Integer kind;
    bool ok;
  } cases[] = {{U'7', 0, true}, {U'-', 0, true},  {U'.', 0, false}, {U'.', 1, true},
               {U'e', 1, false}, {U'e', 2, true}, {U'E', 2, true},  {U',', 2, false}, {U'x', 2, false}};
  for (const Case& c : cases) EXPECT_EQ(IsNumberInputChar(c.c, c.kind), c.ok) << char(c.c) << " kind " << c.kind;
}

TEST(ControlHelpersTest, DragThresholdIsStrict) {
  Integer t = GetSystemMetrics(SM_CXDRAG);
  EXPECT_TRUE(WithinDragThreshold(TPoint(10, 10), 10 + t - 1, 10 - t + 1));
  EXPECT_FALSE(WithinDragThreshold(TPoint(10, 10), 10 + t, 10));
  EXPECT_FALSE(WithinDragThreshold(TPoint(10, 10), 10, 10 - t));
}

TEST(ControlHelpersTest, MouseKeysOfAShiftState) {
  EXPECT_EQ(ShiftStateToMouseKeys(TShiftState{ssShift, ssCtrl, ssLeft, ssRight, ssMiddle, ssAlt, ssDouble}),
            Word(MK_SHIFT | MK_CONTROL | MK_LBUTTON | MK_RBUTTON | MK_MBUTTON));
}

TEST_F(ControlBaseTest, FitRectIntoWorkAreaMovesItInside) {
  TRect work;
  MonitorWorkAreaAt(TPoint(10, 10), work);
  TRect r(work.Right - 20, work.Bottom - 10, work.Right + 80, work.Bottom + 40);
  FitRectIntoWorkArea(r, TPoint(10, 10));
  EXPECT_EQ(r, TRect(work.Right - 100, work.Bottom - 50, work.Right, work.Bottom));
  TRect big(-50, -50, work.Right + 500, work.Bottom + 500);
  FitRectIntoWorkArea(big, TPoint(10, 10));
  EXPECT_EQ(big.Left, work.Left);
  EXPECT_EQ(big.Top, work.Top);
}

TEST_F(ControlBaseTest, HourglassNestsAndAnUnmatchedPopDoesNothing) {
  Screen->SetCursor(crCross);
  PopHourglassCursor();
  EXPECT_EQ(Screen->Cursor(), crCross);
  PushHourglassCursor();
  PushHourglassCursor();
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  PopHourglassCursor();
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  PopHourglassCursor();
  EXPECT_EQ(Screen->Cursor(), crCross);
}

}  // namespace

namespace {

TEST_F(ControlBaseTest, ControlWiderThan32768GetsTrueMouseDownPoints) {
  auto* c = MakeControl(300, 200);
  c->SetBounds(-34990, 10, 40000, 200);
  Pump();
  TPoint down;
  c->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer x, Integer y) { down = TPoint(x, y); };
  S().Click(form_->Handle(), TPoint(20, 30));
  EXPECT_EQ(down, TPoint(35010, 20));
  EXPECT_EQ(c->DownPoint(), TPoint(35010, 20));
}

class TChildPart : public TcxControlChildComponent {
  KORVAN_CLASS(TChildPart, TcxControlChildComponent)

 public:
  explicit TChildPart(TComponent* owner) : TcxControlChildComponent(owner) {}
  bool Initialised = false;
  void InitSubobjects() override { Initialised = true; }
};
KORVAN_IMPLEMENT_CLASS(TChildPart)

TEST_F(ControlBaseTest, ChildComponentIsMadeForAndBoundToItsControl) {
  auto* c = MakeControl();
  auto* child = static_cast<TChildPart*>(TcxControlChildComponent::CreateForControl(TChildPart::StaticClass(), c));
  EXPECT_TRUE(child->Initialised);
  EXPECT_EQ(child->Owner(), form_);
  EXPECT_EQ(child->OwnerControl(), c);
  EXPECT_EQ(child->GetParentComponent(), c);
  child->Free();
  auto* other = static_cast<TChildPart*>(TcxControlChildComponent::CreateForControl(TChildPart::StaticClass(), c, false));
  EXPECT_EQ(other->Owner(), nullptr);
  other->SetParentComponent(nullptr);
  other->Free();
}

}  // namespace
