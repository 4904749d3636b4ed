// The order in which windows hear about showing, focus, activation, destruction, and the
// order in which the queue hands out posted, input, paint and timer messages.
#include "tests/platform/user/UserTestSupport.h"

using namespace usertest;

namespace {

class MessageOrder : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    Log().Clear();
    Log().recording = true;
  }
};

TEST_F(MessageOrder, ShowingATopLevelWindowActivatesFocusesPaintsFrameThenClient) {
  HWND w = CreateTop("Main", Bounds(100, 100, 300, 200));
  Log().Clear();
  ShowWindow(w, SW_SHOW);
  std::vector<UINT> expected{WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_ACTIVATEAPP, WM_NCACTIVATE,
                             WM_ACTIVATE,   WM_SETFOCUS,          WM_NCPAINT,     WM_ERASEBKGND,
                             WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE};
  EXPECT_TRUE(Log().HasInOrder(expected, w)) << testing::PrintToString(Log().Of(w));
  EXPECT_EQ(Log().Count(WM_PAINT, w), 0) << "WM_PAINT waits for the queue";
  EXPECT_EQ(Log().Count(WM_WINDOWPOSCHANGING, w), 1);
  EXPECT_EQ(GetActiveWindow(), w);
  EXPECT_EQ(GetFocus(), w);
  Pump();
  EXPECT_EQ(Log().Count(WM_PAINT, w), 1);
  EXPECT_EQ(Log().Count(WM_ERASEBKGND, w), 1) << "the background was erased while showing";
}

TEST_F(MessageOrder, ShowingAChildNeitherActivatesNorTakesFocus) {
  HWND top = CreateTop("Main", Bounds(100, 100, 300, 200), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND c = CreateChild(top, Bounds(10, 10, 50, 20), WS_CHILD);
  Pump();
  Log().Clear();
  ShowWindow(c, SW_SHOW);
  EXPECT_TRUE(Log().HasInOrder({WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}, c));
  EXPECT_EQ(Log().Count(WM_ACTIVATE), 0);
  EXPECT_EQ(Log().Count(WM_SETFOCUS), 0);
  EXPECT_EQ(GetFocus(), top);
}

TEST_F(MessageOrder, FocusChangeKillsTheOldFocusBeforeSettingTheNew) {
  HWND top = CreateTop("Main", Bounds(100, 100, 300, 200), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND a = CreateChild(top, Bounds(10, 10, 50, 20));
  HWND b = CreateChild(top, Bounds(10, 40, 50, 20));
  SetFocus(a);
  Log().Clear();
  EXPECT_EQ(SetFocus(b), a);
  ASSERT_EQ(Log().entries.size(), 2u);
  EXPECT_EQ(Log().entries[0].wnd, a);
  EXPECT_EQ(Log().entries[0].msg, UINT(WM_KILLFOCUS));
  EXPECT_EQ(Log().entries[0].wParam, reinterpret_cast<WPARAM>(b));
  EXPECT_EQ(Log().entries[1].wnd, b);
  EXPECT_EQ(Log().entries[1].msg, UINT(WM_SETFOCUS));
  EXPECT_EQ(Log().entries[1].wParam, reinterpret_cast<WPARAM>(a));
  // A disabled window does not take the focus; disabling the focused one takes it away.
  EnableWindow(a, FALSE);
  EXPECT_EQ(SetFocus(a), nullptr);
  EXPECT_EQ(GetFocus(), b);
  EnableWindow(b, FALSE);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(MessageOrder, ActivatingAnotherWindowDeactivatesTheFirstAndMovesTheFocus) {
  HWND one = CreateTop("One", Bounds(10, 10, 200, 100), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND child = CreateChild(one, Bounds(5, 5, 20, 20));
  SetFocus(child);
  HWND two = CreateTop("Two", Bounds(300, 10, 200, 100), WS_OVERLAPPEDWINDOW);
  Log().Clear();
  ShowWindow(two, SW_SHOW);
  auto& e = Log().entries;
  auto at = [&](HWND w, UINT m) {
    for (size_t i = 0; i < e.size(); ++i)
      if (e[i].wnd == w && e[i].msg == m) return int(i);
    return -1;
  };
  int oneNc = at(one, WM_NCACTIVATE), oneAct = at(one, WM_ACTIVATE);
  int twoNc = at(two, WM_NCACTIVATE), twoAct = at(two, WM_ACTIVATE);
  int kill = at(child, WM_KILLFOCUS), set = at(two, WM_SETFOCUS);
  ASSERT_GE(oneNc, 0);
  EXPECT_LT(oneNc, oneAct);
  EXPECT_LT(oneAct, twoNc);
  EXPECT_LT(twoNc, twoAct);
  EXPECT_LT(twoAct, kill);
  EXPECT_LT(kill, set);
  EXPECT_EQ(LOWORD(e[size_t(oneAct)].wParam), WA_INACTIVE);
  EXPECT_EQ(e[size_t(oneAct)].lParam, reinterpret_cast<LPARAM>(two));
  EXPECT_EQ(Log().Count(WM_ACTIVATEAPP), 0) << "the application stayed active";
  // Hiding the active window gives activation back to the other one.
  ShowWindow(two, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), one);
}

TEST_F(MessageOrder, DestroyingSendsDestroyParentFirstAndNcDestroyChildrenFirst) {
  HWND top = CreateTop("Main", Bounds(100, 100, 300, 200), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND c = CreateChild(top, Bounds(10, 10, 50, 20));
  HWND g = CreateChild(c, Bounds(1, 1, 5, 5));
  HWND owned = CreateWindowEx(0, "LogWnd", "owned", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, top, nullptr,
                              nullptr, nullptr);
  Log().Clear();
  DestroyWindow(top);
  std::vector<std::pair<HWND, UINT>> got;
  for (auto& e : Log().entries)
    if (e.msg == WM_DESTROY || e.msg == WM_NCDESTROY) got.push_back({e.wnd, e.msg});
  std::vector<std::pair<HWND, UINT>> want{{owned, WM_DESTROY}, {owned, WM_NCDESTROY},
                                          {top, WM_DESTROY},   {c, WM_DESTROY},
                                          {g, WM_DESTROY},     {g, WM_NCDESTROY},
                                          {c, WM_NCDESTROY},   {top, WM_NCDESTROY}};
  EXPECT_EQ(got, want);
  for (HWND w : {top, c, g, owned}) EXPECT_FALSE(IsWindow(w));
  // Stale handles fail instead of crashing.
  EXPECT_FALSE(ShowWindow(top, SW_SHOW));
  EXPECT_EQ(SendMessage(c, WM_USER, 0, 0), 0);
  EXPECT_FALSE(PostMessage(g, WM_USER, 0, 0));
  RECT r;
  EXPECT_FALSE(GetWindowRect(top, &r));
}

TEST_F(MessageOrder, AWindowMayDestroyItselfWhileHandlingAMessage) {
  HWND top = CreateTop("Main", Bounds(100, 100, 300, 200), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND c = CreateChild(top, Bounds(10, 10, 50, 20), WS_CHILD | WS_VISIBLE, 0, "LogWnd");
  SetHandler(c, [](HWND w, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_LBUTTONDOWN) DestroyWindow(w);
    return false;
  });
  S().Click(c, {5, 5});
  EXPECT_FALSE(IsWindow(c));
  EXPECT_TRUE(IsWindow(top));
}

TEST_F(MessageOrder, SentMessagesRunAtOncePostedOnesWaitTheirTurn) {
  HWND w = CreateTop("Main", Bounds(100, 100, 300, 200), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  Pump();
  std::vector<UINT> seen;
  SetHandler(w, [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m >= WM_USER && m < WM_USER + 10) seen.push_back(m);
    if (m == WM_USER + 1) {
      PostMessage(h, WM_USER + 2, 0, 0);
      SendMessage(h, WM_USER + 3, 0, 0);
    }
    return false;
  });
  PostMessage(w, WM_USER + 1, 0, 0);
  PostMessage(w, WM_USER + 4, 0, 0);
  Pump();
  EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 3, WM_USER + 4, WM_USER + 2}));
}

TEST_F(MessageOrder, QueueGivesPostedThenInputThenPaintThenTimers) {
  HWND w = CreateTop("Main", Bounds(100, 100, 300, 200), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  Pump();
  SetTimer(w, 7, 10, nullptr);
  S().Clock().Advance(20);
  InvalidateRect(w, nullptr, FALSE);
  InputMouseButton(kMouseLeft, true, S().ScreenPoint(w, {5, 5}));
  PostMessage(w, WM_USER, 0, 0);
  std::vector<UINT> order;
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_MOUSEMOVE) continue;
    order.push_back(m.message);
    if (m.message == WM_TIMER) break;
    DispatchMessage(&m);
  }
  EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_LBUTTONDOWN, WM_PAINT, WM_TIMER}));
  InputMouseButton(kMouseLeft, false, S().ScreenPoint(w, {5, 5}));
  KillTimer(w, 7);
}

TEST_F(MessageOrder, FiltersSelectByWindowAndRangeAndLeaveTheRest) {
  HWND a = CreateTop("A", Bounds(0, 0, 100, 100));
  HWND b = CreateTop("B", Bounds(0, 0, 100, 100));
  PostMessage(a, WM_USER + 1, 0, 0);
  PostMessage(b, WM_USER + 2, 0, 0);
  PostMessage(a, WM_USER + 3, 0, 0);
  PostThreadMessage(GetCurrentThreadId(), WM_USER + 4, 0, 0);
  MSG m;
  struct TCase {
    HWND wnd;
    UINT min, max, remove;
    UINT expected;  // 0: none
  } cases[] = {
      {b, 0, 0, PM_REMOVE, WM_USER + 2},
      {a, WM_USER + 2, WM_USER + 9, PM_NOREMOVE, WM_USER + 3},
      {a, WM_USER + 2, WM_USER + 9, PM_REMOVE, WM_USER + 3},
      {reinterpret_cast<HWND>(intptr_t(-1)), 0, 0, PM_REMOVE, WM_USER + 4},
      {b, 0, 0, PM_REMOVE, 0},
      {nullptr, 0, 0, PM_REMOVE, WM_USER + 1},
      {nullptr, 0, 0, PM_REMOVE, 0},
  };
  for (auto& c : cases) {
    BOOL got = PeekMessage(&m, c.wnd, c.min, c.max, c.remove);
    EXPECT_EQ(got ? m.message : 0u, c.expected);
  }
}

TEST_F(MessageOrder, UnfilteredQuitComesAfterPostedMessagesAndEndsGetMessage) {
  HWND w = CreateTop("A", Bounds(0, 0, 100, 100));
  PostQuitMessage(3);
  PostMessage(w, WM_USER, 0, 0);
  MSG m;
  ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, UINT(WM_USER));
  EXPECT_EQ(GetMessage(&m, nullptr, 0, 0), FALSE);
  EXPECT_EQ(m.message, UINT(WM_QUIT));
  EXPECT_EQ(m.wParam, 3u);
}

}  // namespace
