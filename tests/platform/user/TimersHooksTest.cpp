// Timers by the test clock, thread-local hooks, subclassing and nested modal loops.
#include "tests/platform/user/UserTestSupport.h"

using namespace usertest;

namespace {

class TimersHooks : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    Log().Clear();
    w = CreateTop("Main", Bounds(100, 100, 300, 200), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    Log().Clear();
  }
  std::vector<WPARAM> Timers() {
    std::vector<WPARAM> v;
    for (auto& e : Log().entries)
      if (e.msg == WM_TIMER && e.wnd == w) v.push_back(e.wParam);
    return v;
  }
  HWND w = nullptr;
};

TEST_F(TimersHooks, TimersFireByTheClockAndRestartWhenSetAgain) {
  SetTimer(w, 1, 100, nullptr);
  SetTimer(w, 2, 250, nullptr);
  S().Advance(99);
  EXPECT_TRUE(Timers().empty());
  S().Advance(1);
  EXPECT_EQ(Timers(), (std::vector<WPARAM>{1}));
  S().Advance(150);
  EXPECT_EQ(Timers(), (std::vector<WPARAM>{1, 1, 2}));
  // Setting an existing timer again starts its period from now.
  S().Advance(60);
  SetTimer(w, 1, 100, nullptr);
  Log().Clear();
  S().Advance(99);
  EXPECT_TRUE(Timers().empty());
  S().Advance(1);
  EXPECT_EQ(Timers(), (std::vector<WPARAM>{1}));
  // A killed timer stays quiet; killing it twice fails.
  EXPECT_TRUE(KillTimer(w, 1));
  EXPECT_FALSE(KillTimer(w, 1));
  Log().Clear();
  S().Advance(1000);
  for (WPARAM id : Timers()) EXPECT_EQ(id, 2u);
}

TEST_F(TimersHooks, ALateTimerFiresOnceNotOncePerMissedPeriod) {
  SetTimer(w, 5, 100, nullptr);
  S().Clock().Advance(1000);
  Pump();
  EXPECT_EQ(Timers().size(), 1u);
}

TEST_F(TimersHooks, TooShortIntervalsAreRaisedToTheMinimum) {
  SetTimer(w, 3, 1, nullptr);
  S().Advance(USER_TIMER_MINIMUM - 1);
  EXPECT_TRUE(Timers().empty());
  S().Advance(1);
  EXPECT_EQ(Timers().size(), 1u);
}

int threadTimerCalls = 0;
void OnThreadTimer(HWND wnd, UINT msg, UINT_PTR, DWORD) {
  EXPECT_EQ(wnd, nullptr);
  EXPECT_EQ(msg, UINT(WM_TIMER));
  ++threadTimerCalls;
}

TEST_F(TimersHooks, ThreadTimersCallTheirProcedureThroughDispatch) {
  threadTimerCalls = 0;
  UINT_PTR id = SetTimer(nullptr, 0, 40, OnThreadTimer);
  UINT_PTR id2 = SetTimer(nullptr, 0, 40, OnThreadTimer);
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, id2) << "each thread timer gets its own identifier";
  KillTimer(nullptr, id2);
  S().Advance(120);
  EXPECT_EQ(threadTimerCalls, 3);
  KillTimer(nullptr, id);
  // A window timer dies with its window.
  SetTimer(w, 9, 10, nullptr);
  DestroyWindow(w);
  S().Advance(100);
}

TEST_F(TimersHooks, TheWaitForTheNextTimerBlocksInsteadOfSpinning) {
  SetTimer(w, 1, 300, nullptr);
  int waitsBefore = S().Backend().Waits();
  uint64_t start = S().Clock().TickCount();
  MSG m;
  // GetMessage waits (the headless backend moves the clock by the wait's timeout).
  while (GetMessage(&m, nullptr, 0, 0)) {
    if (m.message == WM_TIMER) break;
    DispatchMessage(&m);
  }
  EXPECT_EQ(S().Clock().TickCount() - start, 300u);
  EXPECT_EQ(S().Backend().Waits() - waitsBefore, 1) << "one wait, exactly as long as needed";
}

// ---- hooks ----------------------------------------------------------------------------------

std::vector<std::string> hookLog;
HHOOK hookA = nullptr, hookB = nullptr;

LRESULT CALLBACK_GetMessageA(int code, WPARAM wp, LPARAM lp) {
  MSG* m = reinterpret_cast<MSG*>(lp);
  if (code == HC_ACTION && wp == PM_REMOVE && m->message == WM_SYSKEYDOWN && m->wParam == 'X') {
    hookLog.push_back("A rewrites");
    m->message = WM_NULL;
  }
  return CallNextHookEx(hookA, code, wp, lp);
}

LRESULT CALLBACK_GetMessageB(int code, WPARAM wp, LPARAM lp) {
  MSG* m = reinterpret_cast<MSG*>(lp);
  if (m->message == WM_SYSKEYDOWN || m->message == WM_NULL) hookLog.push_back("B sees " + std::to_string(m->message));
  return CallNextHookEx(hookB, code, wp, lp);
}

TEST_F(TimersHooks, GetMessageHooksRunNewestFirstAndMayRewriteTheMessage) {
  hookLog.clear();
  hookA = SetWindowsHookEx(WH_GETMESSAGE, CALLBACK_GetMessageA, nullptr, GetCurrentThreadId());
  hookB = SetWindowsHookEx(WH_GETMESSAGE, CALLBACK_GetMessageB, nullptr, GetCurrentThreadId());
  ASSERT_TRUE(hookA && hookB);
  SetFocus(w);
  Log().Clear();
  S().PressKey('X', false, false, true);
  EXPECT_EQ(Log().Count(WM_SYSKEYDOWN, w), 1) << "the Alt key itself passes";
  EXPECT_EQ(Log().Count(WM_SYSCHAR, w), 0) << "Alt+X was turned into WM_NULL";
  ASSERT_GE(hookLog.size(), 3u);
  // B (newest) sees the key first, then A rewrites it.
  EXPECT_EQ(hookLog[hookLog.size() - 2], "B sees 260");
  EXPECT_EQ(hookLog.back(), "A rewrites");
  EXPECT_TRUE(UnhookWindowsHookEx(hookA));
  EXPECT_TRUE(UnhookWindowsHookEx(hookB));
  EXPECT_FALSE(UnhookWindowsHookEx(hookB));
  Log().Clear();
  S().PressKey('X', false, false, true);
  EXPECT_EQ(Log().Count(WM_SYSCHAR, w), 1);
}

std::vector<UINT> callWndProcSeen;
HHOOK callHook = nullptr;
LRESULT CALLBACK_CallWndProc(int code, WPARAM wp, LPARAM lp) {
  auto* c = reinterpret_cast<CWPSTRUCT*>(lp);
  if (code == HC_ACTION && c->message >= WM_USER) callWndProcSeen.push_back(c->message);
  return CallNextHookEx(callHook, code, wp, lp);
}

TEST_F(TimersHooks, CallWndProcHooksSeeSentMessagesButNotPostedOnes) {
  callWndProcSeen.clear();
  callHook = SetWindowsHookEx(WH_CALLWNDPROC, CALLBACK_CallWndProc, nullptr, 0);
  SendMessage(w, WM_USER + 1, 0, 0);
  PostMessage(w, WM_USER + 2, 0, 0);
  SendNotifyMessage(w, WM_USER + 3, 0, 0);
  Pump();
  UnhookWindowsHookEx(callHook);
  EXPECT_EQ(callWndProcSeen, (std::vector<UINT>{WM_USER + 1, WM_USER + 3}));
  EXPECT_EQ(Log().Count(WM_USER + 2, w), 1);
}

HHOOK mouseHook = nullptr;
LRESULT CALLBACK_Mouse(int code, WPARAM wp, LPARAM lp) {
  auto* mh = reinterpret_cast<MOUSEHOOKSTRUCT*>(lp);
  if (code == HC_ACTION && wp == WM_LBUTTONDOWN && mh->pt.X < 200) return 1;  // discard
  return CallNextHookEx(mouseHook, code, wp, lp);
}

TEST_F(TimersHooks, MouseHooksMayDiscardAClick) {
  mouseHook = SetWindowsHookEx(WH_MOUSE, CALLBACK_Mouse, nullptr, 0);
  S().Click(w, {10, 10});    // screen x below 200: discarded
  S().Click(w, {150, 10});   // screen x 250 or more: passes
  UnhookWindowsHookEx(mouseHook);
  EXPECT_EQ(Log().Count(WM_LBUTTONDOWN, w), 1);
  EXPECT_EQ(Log().Count(WM_LBUTTONUP, w), 2);
  EXPECT_FALSE(GetKeyState(VK_LBUTTON) & 0x8000) << "the button state follows even discarded clicks";
}

HHOOK selfRemoving = nullptr;
int selfRemovingCalls = 0;
LRESULT CALLBACK_SelfRemoving(int code, WPARAM wp, LPARAM lp) {
  ++selfRemovingCalls;
  UnhookWindowsHookEx(selfRemoving);
  return CallNextHookEx(selfRemoving, code, wp, lp);
}

TEST_F(TimersHooks, AHookMayRemoveItselfWhileRunning) {
  selfRemovingCalls = 0;
  selfRemoving = SetWindowsHookEx(WH_CALLWNDPROC, CALLBACK_SelfRemoving, nullptr, 0);
  SendMessage(w, WM_USER, 0, 0);
  SendMessage(w, WM_USER, 0, 0);
  EXPECT_EQ(selfRemovingCalls, 1);
}

// ---- subclassing ---------------------------------------------------------------------------

WNDPROC previous = nullptr;
std::vector<std::string> subclassLog;
LRESULT SubclassProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_USER + 5) {
    subclassLog.push_back("subclass");
    LRESULT r = CallWindowProc(previous, h, m, wp, lp);
    return r + 100;
  }
  return CallWindowProc(previous, h, m, wp, lp);
}

TEST_F(TimersHooks, SubclassingReplacesTheProcedureAndCanChainToTheOldOne) {
  SetHandler(w, [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_USER + 5) return false;
    subclassLog.push_back("original");
    r = 1;
    return true;
  });
  subclassLog.clear();
  previous = reinterpret_cast<WNDPROC>(SetWindowLongPtr(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
  ASSERT_NE(previous, nullptr);
  EXPECT_EQ(GetWindowLongPtr(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(SubclassProc));
  EXPECT_EQ(SendMessage(w, WM_USER + 5, 0, 0), 101);
  EXPECT_EQ(subclassLog, (std::vector<std::string>{"subclass", "original"}));
  SetWindowLongPtr(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  EXPECT_EQ(SendMessage(w, WM_USER + 5, 0, 0), 1);
}

// ---- modal loops ---------------------------------------------------------------------------

// A modal loop as the library runs them: until the window is told to stop or WM_QUIT
// arrives (which it posts again for the loop outside).
int RunModalLoop(HWND stopOn, UINT stopMsg) {
  MSG m;
  for (;;) {
    BOOL r = GetMessage(&m, nullptr, 0, 0);
    if (r == 0) {
      PostQuitMessage(int(m.wParam));
      return -1;
    }
    if (m.hwnd == stopOn && m.message == stopMsg) return 1;
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
}

TEST_F(TimersHooks, NestedModalLoopsEndInnerFirstAndQuitReachesTheOuterLoop) {
  std::vector<std::string> trace;
  SetHandler(w, [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_USER + 1) {
      trace.push_back("inner begins");
      int r = RunModalLoop(h, WM_USER + 9);
      trace.push_back(r == -1 ? "inner quit" : "inner stopped");
    }
    if (m == WM_USER + 2) trace.push_back("outer work");
    return false;
  });
  PostMessage(w, WM_USER + 1, 0, 0);
  // While the inner loop waits: some work, then the quit.
  S().Backend().OnIdle([&] { PostMessage(w, WM_USER + 2, 0, 0); });
  S().Backend().OnIdle([] { PostQuitMessage(7); });
  MSG m;
  int exitCode = -1;
  while (true) {
    BOOL r = GetMessage(&m, nullptr, 0, 0);
    if (r == 0) {
      exitCode = int(m.wParam);
      break;
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  EXPECT_EQ(trace, (std::vector<std::string>{"inner begins", "outer work", "inner quit"}));
  EXPECT_EQ(exitCode, 7);
}

TEST_F(TimersHooks, AModalLoopEndsOnAClickDeliveredWhileItWaits) {
  SetHandler(w, [](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_LBUTTONDOWN) PostMessage(h, WM_USER + 9, 0, 0);
    return false;
  });
  S().Backend().OnIdle([&] {
    POINT p = S().ScreenPoint(w, {20, 20});
    InputMouseMove(p);
    InputMouseButton(kMouseLeft, true, p);
    InputMouseButton(kMouseLeft, false, p);
  });
  EXPECT_EQ(RunModalLoop(w, WM_USER + 9), 1);
}

TEST_F(TimersHooks, DragDetectTellsADragFromAClick) {
  POINT start = S().ScreenPoint(w, {50, 50});
  struct TCase {
    const char* name;
    POINT moveTo;
    bool release;
    BOOL expected;
  } cases[] = {
      {"moved past the threshold", {start.X + GetSystemMetrics(SM_CXDRAG) + 1, start.Y}, false, TRUE},
      {"moved within the threshold then released", {start.X + GetSystemMetrics(SM_CXDRAG), start.Y}, true, FALSE},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    InputMouseMove(start);
    InputMouseButton(kMouseLeft, true, start);
    S().Backend().OnIdle([&] {
      InputMouseMove(c.moveTo);
      if (c.release) InputMouseButton(kMouseLeft, false, c.moveTo);
    });
    EXPECT_EQ(DragDetect(w, start), c.expected);
    EXPECT_EQ(GetCapture(), nullptr);
    InputMouseButton(kMouseLeft, false, c.moveTo);
    Pump();
  }
}

}  // namespace
