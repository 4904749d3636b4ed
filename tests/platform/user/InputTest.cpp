// Mouse and keyboard input: capture routing, double clicks, activation by click, hit
// testing, cursors, mouse-leave tracking, key translation and key states.
#include <cstdlib>

#include "tests/platform/user/UserTestSupport.h"

using namespace usertest;

namespace {

class Input : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    Log().Clear();
    top = CreateTop("Main", Bounds(100, 100, 400, 300), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    a = CreateChild(top, Bounds(10, 10, 100, 50), WS_CHILD | WS_VISIBLE, 1, "LogWndDbl");
    b = CreateChild(top, Bounds(200, 10, 100, 50), WS_CHILD | WS_VISIBLE, 2, "LogWnd");
    Pump();
    Log().Clear();
  }
  std::vector<TLogged> MouseOf(HWND w) {
    std::vector<TLogged> v;
    for (auto& e : Log().entries)
      if (e.wnd == w && ((e.msg >= WM_MOUSEFIRST && e.msg <= WM_MOUSELAST) || e.msg == WM_CAPTURECHANGED)) v.push_back(e);
    return v;
  }
  HWND top = nullptr, a = nullptr, b = nullptr;
};

TEST_F(Input, CaptureRoutesEveryMouseMessageToTheCapturingWindow) {
  SetCapture(a);
  EXPECT_TRUE(S().Backend().MouseCaptured());
  S().MoveMouse(b, {5, 6});
  auto got = MouseOf(a);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].msg, UINT(WM_MOUSEMOVE));
  // Client coordinates of the capturing window: b's (5, 6) is (195, 6) in a.
  EXPECT_EQ(GET_X_LPARAM(got[0].lParam), 195);
  EXPECT_EQ(GET_Y_LPARAM(got[0].lParam), 6);
  EXPECT_TRUE(MouseOf(b).empty());
  // Outside every window of the program too, with negative coordinates.
  InputMouseMove({50, 60});
  Pump();
  got = MouseOf(a);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(GET_X_LPARAM(got[1].lParam), 50 - 100 - 10 - 4);
  // Taking the capture away tells the old window who took it.
  SetCapture(b);
  got = MouseOf(a);
  ASSERT_EQ(got.back().msg, UINT(WM_CAPTURECHANGED));
  EXPECT_EQ(got.back().lParam, reinterpret_cast<LPARAM>(b));
  ReleaseCapture();
  EXPECT_EQ(MouseOf(b).back().msg, UINT(WM_CAPTURECHANGED));
  EXPECT_EQ(GetCapture(), nullptr);
  Log().Clear();
  S().MoveMouse(b, {7, 7});
  EXPECT_EQ(MouseOf(b).size(), 1u);
  EXPECT_TRUE(MouseOf(a).empty());
}

TEST_F(Input, HidingOrDestroyingTheCapturingWindowReleasesTheCapture) {
  SetCapture(a);
  ShowWindow(a, SW_HIDE);
  EXPECT_EQ(GetCapture(), nullptr);
  SetCapture(b);
  DestroyWindow(b);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(S().Backend().MouseCaptured());
}

TEST_F(Input, CancelModeReleasesTheCaptureThroughDefWindowProc) {
  SetCapture(a);
  SendMessage(a, WM_CANCELMODE, 0, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(Log().HasInOrder({WM_CANCELMODE, WM_CAPTURECHANGED}, a));
  // Disabling a window tells it to cancel first, then that its state changed.
  Log().Clear();
  SetCapture(b);
  EnableWindow(b, FALSE);
  EXPECT_TRUE(Log().HasInOrder({WM_CANCELMODE, WM_CAPTURECHANGED, WM_ENABLE}, b));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Input, DoubleClicksNeedTheClassStyleTheTimeAndTheDistance) {
  struct TCase {
    const char* name;
    bool dblClass;
    uint64_t gap;
    int dx, dy;
    int button;
    bool otherWindow;
    bool expectDouble;
  } cases[] = {
      {"close in time and place", true, 100, 1, 1, kMouseLeft, false, true},
      {"exactly the double-click time", true, 500, 0, 0, kMouseLeft, false, true},
      {"too slow", true, 501, 0, 0, kMouseLeft, false, false},
      {"too far right", true, 100, 3, 0, kMouseLeft, false, false},
      {"too far down", true, 100, 0, -3, kMouseLeft, false, false},
      {"right button", true, 100, 0, 0, kMouseRight, false, true},
      {"class without double clicks", false, 100, 0, 0, kMouseLeft, false, false},
      {"second click on another window", true, 100, 0, 0, kMouseLeft, true, false},
  };
  HWND other = CreateChild(top, Bounds(10, 70, 100, 50), WS_CHILD | WS_VISIBLE, 3, "LogWndDbl");
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    S().Clock().Advance(2000);
    HWND w = c.dblClass ? a : b;
    HWND second = c.otherWindow ? other : w;
    POINT p{20, 20};
    S().Click(w, p, c.button);
    S().Clock().Advance(c.gap);
    POINT q = S().ScreenPoint(w, p);
    POINT q2 = c.otherWindow ? S().ScreenPoint(other, p) : POINT{q.X + c.dx, q.Y + c.dy};
    Log().Clear();
    InputMouseMove(q2);
    InputMouseButton(c.button, true, q2);
    InputMouseButton(c.button, false, q2);
    Pump();
    UINT dbl = c.button == kMouseLeft ? WM_LBUTTONDBLCLK : WM_RBUTTONDBLCLK;
    UINT down = c.button == kMouseLeft ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
    EXPECT_EQ(Log().Count(dbl, second), c.expectDouble ? 1 : 0);
    EXPECT_EQ(Log().Count(down, second), c.expectDouble ? 0 : 1);
  }
}

TEST_F(Input, AThirdClickAfterADoubleClickIsASingleClickAgain) {
  S().Click(a, {5, 5});
  S().Clock().Advance(50);
  S().Click(a, {5, 5});
  S().Clock().Advance(50);
  Log().Clear();
  S().Click(a, {5, 5});
  EXPECT_EQ(Log().Count(WM_LBUTTONDOWN, a), 1);
  EXPECT_EQ(Log().Count(WM_LBUTTONDBLCLK, a), 0);
}

TEST_F(Input, MouseMessagesCarryButtonAndModifierFlags) {
  InputKey(VK_SHIFT, true);
  S().MouseDown(a, {3, 4});
  S().MoveMouse(a, {6, 4});
  S().MouseUp(a, {6, 4});
  InputKey(VK_SHIFT, false);
  Pump();
  auto got = MouseOf(a);
  std::vector<std::pair<UINT, WPARAM>> flags;
  for (auto& e : got) flags.push_back({e.msg, e.wParam});
  std::vector<std::pair<UINT, WPARAM>> want{{WM_MOUSEMOVE, MK_SHIFT},
                                            {WM_LBUTTONDOWN, MK_SHIFT | MK_LBUTTON},
                                            {WM_MOUSEMOVE, MK_SHIFT | MK_LBUTTON},
                                            {WM_LBUTTONUP, MK_SHIFT}};
  EXPECT_EQ(flags, want);
}

TEST_F(Input, ClickingAnInactiveWindowActivatesItUnlessItRefuses) {
  HWND other = CreateTop("Other", Bounds(600, 100, 200, 200), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  Pump();
  ASSERT_EQ(GetActiveWindow(), other);
  Log().Clear();
  S().Click(a, {5, 5});
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_TRUE(Log().HasInOrder({WM_MOUSEACTIVATE, WM_LBUTTONDOWN}, a));
  // The top-level window hears WM_MOUSEACTIVATE first through DefWindowProc of the child.
  EXPECT_TRUE(Log().HasInOrder({WM_MOUSEACTIVATE, WM_ACTIVATE}, top));
  for (auto& e : Log().entries)
    if (e.wnd == top && e.msg == WM_ACTIVATE) { EXPECT_EQ(LOWORD(e.wParam), WA_CLICKACTIVE); }

  // A window answering "no activate and eat" keeps the other window active and loses the click.
  SetActiveWindow(other);
  SetHandler(top, [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_MOUSEACTIVATE) return false;
    r = MA_NOACTIVATEANDEAT;
    return true;
  });
  Log().Clear();
  S().Click(a, {5, 5});
  EXPECT_EQ(GetActiveWindow(), other);
  EXPECT_EQ(Log().Count(WM_LBUTTONDOWN, a), 0);
  EXPECT_EQ(Log().Count(WM_LBUTTONUP, a), 1);
}

TEST_F(Input, NonActivatingPopupsGetClicksWithoutActivation) {
  HWND popup = CreateTop("Popup", Bounds(700, 400, 100, 100), WS_POPUP | WS_VISIBLE, WS_EX_NOACTIVATE | WS_EX_TOPMOST);
  HWND childStyle = CreateTop("Detached", Bounds(700, 550, 100, 100), WS_CHILD | WS_VISIBLE, WS_EX_TOOLWINDOW);
  Pump();
  EXPECT_EQ(GetActiveWindow(), top);
  Log().Clear();
  S().Click(popup, {5, 5});
  S().Click(childStyle, {5, 5});
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_EQ(Log().Count(WM_LBUTTONDOWN, popup), 1);
  EXPECT_EQ(Log().Count(WM_LBUTTONDOWN, childStyle), 1);
}

TEST_F(Input, WindowFromPointSkipsTransparentHiddenAndDisabledWindows) {
  HWND over = CreateChild(top, Bounds(0, 0, 150, 100), WS_CHILD | WS_VISIBLE, 9);
  SetWindowPos(over, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  POINT inA = S().ScreenPoint(a, {5, 5});
  EXPECT_EQ(WindowFromPoint(inA), over);
  SetHandler(over, [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_NCHITTEST) return false;
    r = HTTRANSPARENT;
    return true;
  });
  EXPECT_EQ(WindowFromPoint(inA), a);
  ShowWindow(a, SW_HIDE);
  EXPECT_EQ(WindowFromPoint(inA), top);
  ShowWindow(a, SW_SHOW);
  EnableWindow(a, FALSE);
  EXPECT_EQ(WindowFromPoint(inA), top) << "a disabled child leaves the point to its parent";
  EXPECT_EQ(WindowFromPoint(POINT{5, 5}), nullptr);
  EXPECT_EQ(ChildWindowFromPointEx(top, POINT{20, 20}, CWP_SKIPDISABLED | CWP_SKIPINVISIBLE), over);
}

TEST_F(Input, DefaultHitTestFindsFrameCaptionClientAndScrollBars) {
  HWND w = CreateTop("Frame", Bounds(500, 100, 200, 150), WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_VISIBLE);
  RECT wr;
  GetWindowRect(w, &wr);
  RECT cr;
  GetClientRect(w, &cr);
  POINT c{0, 0};
  ClientToScreen(w, &c);
  struct TCase {
    POINT p;
    LRESULT hit;
  } cases[] = {
      {{wr.Left + 1, wr.Top + 60}, HTLEFT},
      {{wr.Right - 1, wr.Top + 60}, HTRIGHT},
      {{wr.Left + 1, wr.Top + 1}, HTTOPLEFT},
      {{wr.Right - 2, wr.Bottom - 2}, HTBOTTOMRIGHT},
      {{wr.Left + 60, wr.Top + 10}, HTCAPTION},
      {{wr.Right - 10, wr.Top + 10}, HTCLOSE},
      {{c.X + 5, c.Y + 5}, HTCLIENT},
      {{c.X + cr.Right + 2, c.Y + 5}, HTVSCROLL},
      {{wr.Right + 5, wr.Top + 5}, HTNOWHERE},
  };
  for (auto& t : cases) {
    LRESULT got = SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(WORD(t.p.X), WORD(t.p.Y)));
    EXPECT_EQ(got, t.hit) << t.p.X << "," << t.p.Y;
  }
  // Client area: window minus the sizing frame, caption and scroll bar.
  EXPECT_EQ(cr.Width(), 200 - 2 * GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(cr.Height(), 150 - 2 * GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYCAPTION));
}

TEST_F(Input, SetCursorAsksTheParentFirstAndFallsBackToTheClassCursor) {
  HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
  SetHandler(top, [hand](HWND, UINT m, WPARAM wp, LPARAM lp, LRESULT& r) {
    if (m != WM_SETCURSOR || LOWORD(lp) != HTCLIENT) return false;
    SetCursor(hand);
    r = TRUE;
    return true;
  });
  S().MoveMouse(a, {5, 5});
  EXPECT_EQ(S().Backend().CursorImage(), hand);
  SetHandler(top, nullptr);
  S().MoveMouse(a, {6, 5});
  EXPECT_EQ(S().Backend().CursorImage(), LoadCursor(nullptr, IDC_ARROW));
  // Over the sizing frame, the size cursor.
  RECT wr;
  GetWindowRect(top, &wr);
  InputMouseMove({wr.Left + 1, wr.Top + 100});
  Pump();
  EXPECT_EQ(GetCursorStandardId(S().Backend().CursorImage()), 32644);
}

TEST_F(Input, TrackMouseEventPostsOneLeaveWhenTheMouseLeaves) {
  S().MoveMouse(a, {5, 5});
  TRACKMOUSEEVENT t;
  t.dwFlags = TME_LEAVE;
  t.hwndTrack = a;
  ASSERT_TRUE(TrackMouseEvent(&t));
  S().MoveMouse(a, {9, 9});
  EXPECT_EQ(Log().Count(WM_MOUSELEAVE, a), 0);
  S().MoveMouse(b, {5, 5});
  S().MoveMouse(top, {350, 250});
  EXPECT_EQ(Log().Count(WM_MOUSELEAVE, a), 1);
  // Tracking a window the mouse is not over gives the leave at once.
  TRACKMOUSEEVENT t2;
  t2.dwFlags = TME_LEAVE;
  t2.hwndTrack = b;
  TrackMouseEvent(&t2);
  Pump();
  EXPECT_EQ(Log().Count(WM_MOUSELEAVE, b), 1);
}

TEST_F(Input, AWindowLeavingFromUnderARestingPointerHandsItToTheWindowBelow) {
  S().MoveMouse(a, {5, 5});
  TRACKMOUSEEVENT t;
  t.dwFlags = TME_LEAVE;
  t.hwndTrack = a;
  TrackMouseEvent(&t);
  Log().Clear();
  ShowWindow(a, SW_HIDE);
  Pump();
  EXPECT_EQ(Log().Count(WM_MOUSELEAVE, a), 1);
  EXPECT_EQ(Log().Count(WM_MOUSEMOVE, top), 1);
  EXPECT_EQ(Log().Count(WM_SETCURSOR, top), 1);
  // Showing it again gives it the pointer back.
  Log().Clear();
  ShowWindow(a, SW_SHOW);
  Pump();
  EXPECT_EQ(Log().Count(WM_MOUSEMOVE, a), 1);
}

TEST_F(Input, KeysGoToTheFocusAndTranslateIntoCharacters) {
  SetFocus(a);
  Log().Clear();
  struct TCase {
    const char* name;
    std::function<void()> type;
    std::vector<WPARAM> chars;
    UINT charMsg;
  } cases[] = {
      {"letter", [&] { S().PressKey('Q'); }, {'q'}, WM_CHAR},
      {"shifted letter", [&] { S().PressKey('Q', true); }, {'Q'}, WM_CHAR},
      {"control letter", [&] { S().PressKey('C', false, true); }, {3}, WM_CHAR},
      {"enter, escape, backspace, tab", [&] { for (int k : {VK_RETURN, VK_ESCAPE, VK_BACK, VK_TAB}) S().PressKey(k); }, {13, 27, 8, 9}, WM_CHAR},
      {"arrow keys give no characters", [&] { S().PressKey(VK_LEFT); S().PressKey(VK_DELETE); }, {}, WM_CHAR},
      {"typed text with its keys", [&] { S().TypeText("a1 Z"); }, {'a', '1', ' ', 'Z'}, WM_CHAR},
      {"input-method text without keys", [&] { S().TypeText("日本"); }, {0x65E5, 0x672C}, WM_CHAR},
      {"alt letter is a system character", [&] { S().PressKey('F', false, false, true); }, {'f'}, WM_SYSCHAR},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    Log().Clear();
    c.type();
    std::vector<WPARAM> got;
    for (auto& e : Log().entries)
      if (e.wnd == a && e.msg == c.charMsg) got.push_back(e.wParam);
    EXPECT_EQ(got, c.chars);
  }
}

TEST_F(Input, WithoutAFocusTheActiveWindowGetsKeysAsSystemKeys) {
  SetFocus(nullptr);
  Log().Clear();
  S().PressKey('K');
  EXPECT_EQ(Log().Count(WM_SYSKEYDOWN, top), 1);
  EXPECT_EQ(Log().Count(WM_KEYDOWN), 0);
}

TEST_F(Input, AltKeysAreSystemKeysAndAltF4ClosesTheTopLevelWindow) {
  SetFocus(a);
  Log().Clear();
  S().PressKey(VK_F4, false, false, true);
  EXPECT_EQ(Log().Count(WM_SYSKEYDOWN, a), 2);  // Alt, then F4
  EXPECT_EQ(Log().Count(WM_KEYDOWN, a), 0);
  EXPECT_TRUE(Log().HasInOrder({WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}, top));
  EXPECT_FALSE(IsWindow(top));
}

TEST_F(Input, KeyStateFollowsRetrievedMessagesAsyncStateFollowsTheKeyboard) {
  SetFocus(a);
  InputKey(VK_SHIFT, true);
  EXPECT_TRUE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
  EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000) << "not retrieved yet";
  Pump();
  EXPECT_TRUE(GetKeyState(VK_SHIFT) & 0x8000);
  BYTE state[256];
  GetKeyboardState(state);
  EXPECT_TRUE(state[VK_SHIFT] & 0x80);
  InputKey(VK_SHIFT, false);
  Pump();
  EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
  // Toggle bit: each press flips it.
  SHORT before = GetKeyState(VK_CAPITAL) & 1;
  S().PressKey(VK_CAPITAL);
  EXPECT_NE(GetKeyState(VK_CAPITAL) & 1, before);
  // The left and right keys keep the generic key down while either is held.
  InputKey(VK_LCONTROL, true);
  InputKey(VK_RCONTROL, true);
  InputKey(VK_LCONTROL, false);
  EXPECT_TRUE(GetAsyncKeyState(VK_CONTROL) & 0x8000);
  InputKey(VK_RCONTROL, false);
  EXPECT_FALSE(GetAsyncKeyState(VK_CONTROL) & 0x8000);
  Pump();
}

TEST_F(Input, WheelGoesToTheFocusAndBubblesUpToParents) {
  SetFocus(a);
  Log().Clear();
  S().Wheel(b, {5, 5}, -WHEEL_DELTA);
  EXPECT_EQ(Log().Count(WM_MOUSEWHEEL, a), 1);
  EXPECT_EQ(Log().Count(WM_MOUSEWHEEL, top), 1) << "DefWindowProc passes it to the parent";
  for (auto& e : Log().entries)
    if (e.msg == WM_MOUSEWHEEL) { EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(e.wParam), -WHEEL_DELTA); }
}

TEST_F(Input, RightButtonUpBecomesAContextMenuRequestAtTheScreenPoint) {
  S().Click(a, {7, 8}, kMouseRight);
  POINT p = S().ScreenPoint(a, {7, 8});
  ASSERT_EQ(Log().Count(WM_CONTEXTMENU, a), 1);
  EXPECT_EQ(Log().Count(WM_CONTEXTMENU, top), 1);
  for (auto& e : Log().entries)
    if (e.msg == WM_CONTEXTMENU && e.wnd == a) {
      EXPECT_EQ(GET_X_LPARAM(e.lParam), p.X);
      EXPECT_EQ(GET_Y_LPARAM(e.lParam), p.Y);
      EXPECT_EQ(e.wParam, reinterpret_cast<WPARAM>(a));
    }
}

}  // namespace
