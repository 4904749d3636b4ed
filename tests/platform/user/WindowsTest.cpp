// The window tree, positions and coordinates, window data, broadcasts, scroll bars,
// the clipboard, monitors and system parameters.
#include <cstring>

#include "rtl/System.h"
#include "tests/platform/user/UserTestSupport.h"

using namespace usertest;

namespace {

class Windows : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    Log().Clear();
  }
};

TEST_F(Windows, ParentsOwnersAndTheZOrder) {
  HWND top = CreateTop("Main", Bounds(100, 100, 300, 200), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND c1 = CreateChild(top, Bounds(0, 0, 10, 10));
  HWND c2 = CreateChild(top, Bounds(0, 0, 10, 10));
  HWND popup = CreateWindowEx(0, "LogWnd", "popup", WS_POPUP, 0, 0, 10, 10, c1, nullptr, nullptr, nullptr);
  EXPECT_EQ(GetParent(c1), top);
  EXPECT_EQ(GetParent(popup), top) << "a popup's parent is its owner, the top-level window";
  EXPECT_EQ(GetAncestor(popup, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetAncestor(c1, GA_ROOT), top);
  EXPECT_EQ(GetWindow(popup, GW_OWNER), top);
  EXPECT_TRUE(IsChild(top, c1));
  EXPECT_FALSE(IsChild(top, popup));
  // New children go in front; SetWindowPos reorders.
  EXPECT_EQ(GetWindow(top, GW_CHILD), c2);
  EXPECT_EQ(GetWindow(c2, GW_HWNDNEXT), c1);
  SetWindowPos(c2, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(top, GW_CHILD), c1);
  // Topmost windows stay in front of the others.
  HWND tm = CreateTop("Topmost", Bounds(0, 0, 50, 50), WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST | WS_EX_NOACTIVATE);
  HWND later = CreateTop("Later", Bounds(0, 0, 50, 50), WS_POPUP | WS_VISIBLE);
  EXPECT_EQ(GetTopWindow(nullptr), tm);
  EXPECT_EQ(GetWindow(tm, GW_HWNDNEXT), later);
  SetWindowPos(tm, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_FALSE(GetWindowLongPtr(tm, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // Re-parenting.
  HWND other = CreateTop("Other", Bounds(0, 0, 100, 100), WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(SetParent(c1, other), top);
  EXPECT_EQ(GetParent(c1), other);
  EXPECT_EQ(SetParent(other, c1), nullptr) << "a window cannot go inside its own child";
}

TEST_F(Windows, CoordinatesMapBetweenClientWindowAndScreen) {
  HWND top = CreateTop("Main", Bounds(100, 50, 300, 200), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND c = CreateChild(top, Bounds(20, 30, 100, 50), WS_CHILD | WS_VISIBLE | WS_BORDER);
  int frame = GetSystemMetrics(SM_CXFRAME), caption = GetSystemMetrics(SM_CYCAPTION);
  POINT p{0, 0};
  ClientToScreen(top, &p);
  EXPECT_EQ(p, (POINT{100 + frame, 50 + frame + caption}));
  POINT q{0, 0};
  ClientToScreen(c, &q);
  EXPECT_EQ(q, (POINT{p.X + 20 + 1, p.Y + 30 + 1})) << "the child's border is outside its client area";
  POINT back = q;
  ScreenToClient(c, &back);
  EXPECT_EQ(back, (POINT{0, 0}));
  POINT pts[2] = {{0, 0}, {5, 5}};
  MapWindowPoints(c, top, pts, 2);
  EXPECT_EQ(pts[0], (POINT{21, 31}));
  EXPECT_EQ(pts[1], (POINT{26, 36}));
  RECT wr;
  GetWindowRect(c, &wr);
  EXPECT_EQ(wr, (RECT{p.X + 20, p.Y + 30, p.X + 120, p.Y + 80}));
  RECT cr;
  GetClientRect(c, &cr);
  EXPECT_EQ(cr, (RECT{0, 0, 98, 48}));
  RECT adj{0, 0, 98, 48};
  AdjustWindowRectEx(&adj, WS_BORDER, FALSE, 0);
  EXPECT_EQ(adj, (RECT{-1, -1, 99, 49}));
}

TEST_F(Windows, PositionChangesCanBeAlteredByTheWindowAndReportSizeAndMove) {
  HWND w = CreateTop("Main", Bounds(100, 50, 300, 200), WS_POPUP | WS_VISIBLE);
  SetHandler(w, [](HWND, UINT m, WPARAM, LPARAM lp, LRESULT&) {
    if (m == WM_WINDOWPOSCHANGING) {
      auto* wp = reinterpret_cast<WINDOWPOS*>(lp);
      if (wp->cx > 250) wp->cx = 250;  // a maximum width
    }
    return false;
  });
  Log().Clear();
  MoveWindow(w, 10, 20, 400, 100, TRUE);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (RECT{10, 20, 260, 120}));
  EXPECT_TRUE(Log().HasInOrder({WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE}, w));
  for (auto& e : Log().entries)
    if (e.msg == WM_SIZE) { EXPECT_EQ(e.lParam, MAKELPARAM(250, 100)); }
  // Moving without sizing sends no WM_SIZE.
  Log().Clear();
  SetWindowPos(w, nullptr, 30, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(Log().Count(WM_SIZE, w), 0);
  EXPECT_EQ(Log().Count(WM_MOVE, w), 1);
}

TEST_F(Windows, CustomNonClientAreasComeFromWmNcCalcSize) {
  RegisterLogClasses();
  HWND w = CreateTop("Main", Bounds(0, 0, 200, 100), WS_POPUP);
  SetHandler(w, [](HWND, UINT m, WPARAM, LPARAM lp, LRESULT& r) {
    if (m != WM_NCCALCSIZE) return false;
    RECT* rc = reinterpret_cast<RECT*>(lp);
    rc->Left += 5;
    rc->Top += 7;
    rc->Right -= 3;
    rc->Bottom -= 2;
    r = 0;
    return true;
  });
  SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  RECT cr;
  GetClientRect(w, &cr);
  EXPECT_EQ(cr, (RECT{0, 0, 192, 91}));
  POINT p{0, 0};
  ClientToScreen(w, &p);
  EXPECT_EQ(p, (POINT{5, 7}));
}

TEST_F(Windows, WindowTextIsUtf8AndNeverCutInsideACharacter) {
  HWND w = CreateTop("日本語", Bounds(0, 0, 10, 10), WS_POPUP);
  EXPECT_EQ(GetWindowTextLength(w), 9);
  char buf[6];
  EXPECT_EQ(GetWindowText(w, buf, sizeof buf), 3);
  EXPECT_STREQ(buf, "日");
  SetWindowText(w, "Text");
  EXPECT_EQ(GetWindowTextString(w), "Text");
}

TEST_F(Windows, UserDataPropertiesAndExtraBytes) {
  RegisterLogClasses();
  WNDCLASS wc;
  wc.lpfnWndProc = DefWindowProc;
  wc.cbWndExtra = 16;
  wc.lpszClassName = "ExtraBytes";
  RegisterClass(&wc);
  HWND w = CreateWindowEx(0, "ExtraBytes", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  int object = 42;
  SetWindowLongPtr(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&object));
  EXPECT_EQ(reinterpret_cast<int*>(GetWindowLongPtr(w, GWLP_USERDATA)), &object);
  SetWindowLongPtr(w, 8, 1234);
  EXPECT_EQ(GetWindowLongPtr(w, 8), 1234);
  EXPECT_EQ(GetWindowLongPtr(w, 12), 0) << "past the extra bytes";
  SetProp(w, "Control", &object);
  EXPECT_EQ(GetProp(w, "control"), &object);
  EXPECT_EQ(RemoveProp(w, "CONTROL"), &object);
  EXPECT_EQ(GetProp(w, "Control"), nullptr);
  char name[32];
  GetClassName(w, name, sizeof name);
  EXPECT_STREQ(name, "ExtraBytes");
  EXPECT_FALSE(UnregisterClass("ExtraBytes", nullptr)) << "a window of the class still exists";
  DestroyWindow(w);
  EXPECT_TRUE(UnregisterClass("ExtraBytes", nullptr));
}

TEST_F(Windows, SystemChangesReachEveryTopLevelWindowHiddenOnesIncluded) {
  std::vector<UINT> util;
  HWND hidden = AllocateHWnd([&](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_SYSCOLORCHANGE || m == WM_SETTINGCHANGE || m == WM_THEMECHANGED) util.push_back(m);
    return DefWindowProc(w, m, wp, lp);
  });
  ASSERT_TRUE(hidden);
  EXPECT_FALSE(IsWindowVisible(hidden));
  HWND shown = CreateTop("Main", Bounds(0, 0, 100, 100), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND msgOnly = CreateWindowEx(0, "LogWnd", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  HWND child = CreateChild(shown, Bounds(0, 0, 10, 10));
  Log().Clear();
  BroadcastSystemChange(WM_SYSCOLORCHANGE, 0, 0);
  SendMessage(HWND_BROADCAST, WM_THEMECHANGED, 0, 0);
  UINT lines = 5;
  SystemParametersInfo(SPI_SETWHEELSCROLLLINES, lines, nullptr, SPIF_SENDCHANGE);
  EXPECT_EQ(util, (std::vector<UINT>{WM_SYSCOLORCHANGE, WM_THEMECHANGED, WM_SETTINGCHANGE}));
  EXPECT_EQ(Log().Count(WM_SYSCOLORCHANGE, shown), 1);
  EXPECT_EQ(Log().Count(WM_SYSCOLORCHANGE, msgOnly), 0) << "message-only windows hear no broadcasts";
  EXPECT_EQ(Log().Count(WM_SYSCOLORCHANGE, child), 0) << "children are told by their parents";
  UINT got = 0;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &got, 0);
  EXPECT_EQ(got, 5u);
  SystemParametersInfo(SPI_SETWHEELSCROLLLINES, 3, nullptr, 0);
  // Hidden windows also take posted messages and timers.
  PostMessage(hidden, WM_USER, 0, 0);
  DeallocateHWnd(hidden);
  Pump();
  EXPECT_FALSE(IsWindow(hidden));
}

TEST_F(Windows, ScrollBarsClampTheirPositionAndReportTheirState) {
  HWND w = CreateTop("Main", Bounds(100, 100, 200, 150), WS_POPUP | WS_VISIBLE | WS_VSCROLL);
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = 99;
  si.nPage = 10;
  si.nPos = 500;
  EXPECT_EQ(SetScrollInfo(w, SB_VERT, &si, TRUE), 90) << "the position stops at max - page + 1";
  EXPECT_EQ(GetScrollPos(w, SB_VERT), 90);
  SCROLLBARINFO info;
  ASSERT_TRUE(GetScrollBarInfo(w, OBJID_VSCROLL, &info));
  EXPECT_EQ(info.rgstate[0], 0u);
  EXPECT_EQ(info.rcScrollBar, (RECT{300 - GetSystemMetrics(SM_CXVSCROLL), 100, 300, 250}));
  EXPECT_EQ(info.dxyLineButton, GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_GT(info.xyThumbBottom, info.xyThumbTop);
  ASSERT_TRUE(GetScrollBarInfo(w, OBJID_HSCROLL, &info));
  EXPECT_TRUE(info.rgstate[0] & STATE_SYSTEM_INVISIBLE);
  // Hiding the bar gives its room back to the client area.
  RECT before;
  GetClientRect(w, &before);
  ShowScrollBar(w, SB_VERT, FALSE);
  RECT after;
  GetClientRect(w, &after);
  EXPECT_EQ(after.Width(), before.Width() + GetSystemMetrics(SM_CXVSCROLL));
  ShowWindow(w, SW_HIDE);
  GetScrollBarInfo(w, OBJID_VSCROLL, &info);
  EXPECT_TRUE(info.rgstate[0] & STATE_SYSTEM_OFFSCREEN);
  SCROLLBARINFO wrongSize;
  wrongSize.cbSize = 12;
  EXPECT_FALSE(GetScrollBarInfo(w, OBJID_VSCROLL, &wrongSize));
}

TEST_F(Windows, ClickingAWindowScrollBarSendsScrollMessages) {
  HWND w = CreateTop("Main", Bounds(100, 100, 200, 150), WS_POPUP | WS_VISIBLE | WS_VSCROLL);
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMax = 99;
  si.nPage = 10;
  SetScrollInfo(w, SB_VERT, &si, TRUE);
  Pump();
  SCROLLBARINFO info;
  GetScrollBarInfo(w, OBJID_VSCROLL, &info);
  int x = (info.rcScrollBar.Left + info.rcScrollBar.Right) / 2;
  std::vector<WPARAM> codes;
  SetHandler(w, [&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT&) {
    if (m == WM_VSCROLL) codes.push_back(LOWORD(wp));
    return false;
  });
  POINT down{x, info.rcScrollBar.Bottom - 3};
  InputMouseMove(down);
  InputMouseButton(kMouseLeft, true, down);
  // The loop of the scroll bar runs until the button goes up.
  S().Backend().OnIdle([&] { InputMouseButton(kMouseLeft, false, down); });
  Pump();
  EXPECT_EQ(codes, (std::vector<WPARAM>{SB_LINEDOWN, SB_ENDSCROLL}));
  // Dragging the thumb reports tracking positions and the final one.
  codes.clear();
  GetScrollBarInfo(w, OBJID_VSCROLL, &info);
  POINT thumb{x, info.rcScrollBar.Top + (info.xyThumbTop + info.xyThumbBottom) / 2};
  POINT lower{x, thumb.Y + 40};
  InputMouseMove(thumb);
  InputMouseButton(kMouseLeft, true, thumb);
  S().Backend().OnIdle([&] { InputMouseMove(lower); });
  S().Backend().OnIdle([&] { InputMouseButton(kMouseLeft, false, lower); });
  Pump();
  ASSERT_GE(codes.size(), 3u);
  EXPECT_EQ(codes[0], WPARAM(SB_THUMBTRACK));
  EXPECT_EQ(codes[codes.size() - 2], WPARAM(SB_THUMBPOSITION));
  EXPECT_EQ(codes.back(), WPARAM(SB_ENDSCROLL));
}

TEST_F(Windows, DraggingTheCaptionMovesTheWindow) {
  HWND w = CreateTop("Main", Bounds(100, 100, 300, 200), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  Pump();
  POINT grab{200, 110};
  ASSERT_EQ(SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(grab.X, grab.Y)), HTCAPTION);
  InputMouseMove(grab);
  InputMouseButton(kMouseLeft, true, grab);
  S().Backend().OnIdle([&] { InputMouseMove({250, 160}); });
  S().Backend().OnIdle([&] { InputMouseButton(kMouseLeft, false, {250, 160}); });
  Pump();
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (RECT{150, 150, 450, 350}));
  EXPECT_TRUE(Log().HasInOrder({WM_ENTERSIZEMOVE, WM_WINDOWPOSCHANGED, WM_EXITSIZEMOVE}, w));
}

TEST_F(Windows, ClipboardCarriesUtf8AndUtf16TextBothWays) {
  ASSERT_TRUE(SetClipboardText("Zürich 東京"));
  EXPECT_EQ(S().Backend().ClipboardText(), "Zürich 東京") << "the backend's clipboard gets the text";
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  HANDLE h = GetClipboardData(CF_UNICODETEXT);
  ASSERT_TRUE(h);
  auto* w = static_cast<const char16_t*>(GlobalLock(h));
  EXPECT_EQ(std::u16string(w), u"Zürich 東京");
  GlobalUnlock(h);
  EXPECT_FALSE(OpenClipboard(nullptr)) << "already open";
  // Setting UTF-16 text replaces the UTF-8 text.
  EmptyClipboard();
  std::u16string text = u"Straße\U0001F600";
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * 2);
  memcpy(GlobalLock(mem), text.c_str(), (text.size() + 1) * 2);
  GlobalUnlock(mem);
  SetClipboardData(CF_UNICODETEXT, mem);
  CloseClipboard();
  String back;
  ASSERT_TRUE(GetClipboardText(back));
  EXPECT_EQ(back, "Straße\U0001F600");
  // Text put there by another program comes through the backend.
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  S().Backend().SetExternalClipboardText("from outside");
  ASSERT_TRUE(GetClipboardText(back));
  EXPECT_EQ(back, "from outside");
  EXPECT_EQ(GlobalLock(reinterpret_cast<HGLOBAL>(intptr_t(12345))), nullptr) << "an invented handle fails";
  // A bitmap belongs to the clipboard once set, and is freed when the clipboard is emptied.
  HBITMAP bmp = CreateBitmap(4, 4, 1, 32, nullptr);
  OpenClipboard(nullptr);
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, bmp);
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  OpenClipboard(nullptr);
  EXPECT_EQ(GetClipboardData(CF_BITMAP), bmp);
  EmptyClipboard();
  CloseClipboard();
  EXPECT_EQ(GetObjectType(bmp), 0u);
}

TEST_F(Windows, ClipboardDataLeftAtProgramEndIsFreedByTheUnitEnd) {
  ASSERT_TRUE(SetClipboardText("left behind"));
  ASSERT_TRUE(OpenClipboard(nullptr));
  ASSERT_TRUE(GetClipboardData(CF_UNICODETEXT)) << "a converted copy is kept with the clipboard too";
  CloseClipboard();
  ASSERT_EQ(CountClipboardFormats(), 2);
  FinalizeUnits();
  EXPECT_EQ(CountClipboardFormats(), 0);
  // Later use starts the unit again.
  ASSERT_TRUE(SetClipboardText("again"));
  String back;
  ASSERT_TRUE(GetClipboardText(back));
  EXPECT_EQ(back, "again");
}

TEST_F(Windows, MonitorsWorkAreasAndTheNearestMonitor) {
  S().Backend().SetMonitors({{RECT{0, 0, 1280, 800}, RECT{0, 0, 1280, 770}},
                             {RECT{1280, 0, 2304, 768}, RECT{1280, 0, 2304, 768}}});
  struct TCase {
    POINT p;
    DWORD flags;
    int monitor;  // -1: none
  } cases[] = {
      {{10, 10}, MONITOR_DEFAULTTONULL, 0},
      {{1300, 10}, MONITOR_DEFAULTTONULL, 1},
      {{1300, 780}, MONITOR_DEFAULTTONULL, -1},
      {{1300, 780}, MONITOR_DEFAULTTONEAREST, 1},
      {{1300, 795}, MONITOR_DEFAULTTONEAREST, 0},
      {{-50, 400}, MONITOR_DEFAULTTONEAREST, 0},
      {{3000, 10}, MONITOR_DEFAULTTOPRIMARY, 0},
  };
  RECT works[2] = {{0, 0, 1280, 770}, {1280, 0, 2304, 768}};
  for (auto& c : cases) {
    HMONITOR m = MonitorFromPoint(c.p, c.flags);
    if (c.monitor < 0) {
      EXPECT_EQ(m, nullptr);
      continue;
    }
    MONITORINFO mi;
    ASSERT_TRUE(GetMonitorInfo(m, &mi));
    EXPECT_EQ(mi.rcWork, works[c.monitor]) << c.p.X << "," << c.p.Y;
    EXPECT_EQ(mi.dwFlags, c.monitor == 0 ? MONITORINFOF_PRIMARY : 0u);
  }
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  RECT wa;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &wa, 0);
  EXPECT_EQ(wa, (RECT{0, 0, 1280, 770}));
}

TEST_F(Windows, OwnCursorImagesAndTheStandardOnes) {
  std::vector<uint32_t> px(16 * 16, 0xFF000000);
  HCURSOR mine = CreateCursorFromPixels(16, 16, px.data(), 3, 4);
  ASSERT_TRUE(mine);
  EXPECT_EQ(GetCursorStandardId(mine), 0);
  ICONINFO ii;
  ASSERT_TRUE(GetIconInfo(mine, &ii));
  EXPECT_EQ(ii.xHotspot, 3u);
  EXPECT_EQ(ii.yHotspot, 4u);
  DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  SetCursor(mine);
  EXPECT_EQ(S().Backend().CursorImage(), mine);
  EXPECT_TRUE(DestroyCursor(mine));
  EXPECT_NE(GetCursor(), mine) << "a destroyed cursor is not left in use";
  EXPECT_EQ(LoadCursor(nullptr, IDC_IBEAM), LoadCursor(nullptr, IDC_IBEAM));
  EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(1)), nullptr);
  EXPECT_EQ(CreateCursorFromPixels(0, 16, px.data(), 0, 0), nullptr);
}

// The visible height below the hot spot: from the hot spot row to the last visible row of the
// image, whatever lies above the hot spot; no image to read gives the system cursor height.
TEST_F(Windows, CursorHeightBelowTheHotSpotComesFromTheMask) {
  struct Case {
    int firstRow, lastRow, hotY, expected;
  } cases[] = {{2, 12, 4, 9}, {0, 15, 0, 16}, {0, 3, 10, 0}, {5, 5, 5, 1}};
  for (const Case& c : cases) {
    std::vector<uint32_t> px(16 * 16, 0);
    for (int y = c.firstRow; y <= c.lastRow; ++y) px[size_t(y * 16 + 7)] = 0xFF000000;
    HCURSOR cursor = CreateCursorFromPixels(16, 16, px.data(), 1, c.hotY);
    EXPECT_EQ(GetCursorHeightBelowHotSpot(cursor), c.expected) << c.firstRow << ".." << c.lastRow << " hot " << c.hotY;
    DestroyCursor(cursor);
  }
  EXPECT_EQ(GetCursorHeightBelowHotSpot(LoadCursor(nullptr, IDC_ARROW)), GetSystemMetrics(SM_CYCURSOR));
  EXPECT_EQ(GetCursorHeightBelowHotSpot(nullptr), GetSystemMetrics(SM_CYCURSOR));
}

}  // namespace

TEST_F(Windows, MessageBeepReachesTheBackend) {
  const int before = S().Backend().BeepCount();
  MessageBeep(0);
  MessageBeep(0xFFFFFFFF);
  EXPECT_EQ(S().Backend().BeepCount(), before + 2);
}

TEST_F(Windows, SystemMenuEntriesAreDeletedByPositionOrCommand) {
  HWND top = CreateTop("Tool", Bounds(10, 10, 200, 200), WS_OVERLAPPEDWINDOW);
  HWND plain = CreateTop("Plain", Bounds(10, 10, 50, 50), WS_POPUP);
  EXPECT_EQ(GetSystemMenu(plain, FALSE), nullptr) << "no WS_SYSMENU, no system menu";
  HMENU menu = GetSystemMenu(top, FALSE);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(GetSystemMenu(top, FALSE), menu) << "the window keeps its copy";
  auto ids = [&] {
    std::vector<UINT> v;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) v.push_back(GetMenuItemID(menu, i));
    return v;
  };
  std::vector<UINT> standard{UINT(SC_RESTORE), UINT(SC_MOVE), UINT(SC_SIZE), UINT(SC_MINIMIZE), UINT(SC_MAXIMIZE),
                             0, UINT(SC_CLOSE)};
  EXPECT_EQ(ids(), standard);
  // What the field list does to its tool window: a missing position changes nothing.
  EXPECT_FALSE(DeleteMenu(menu, 7, MF_BYPOSITION));
  EXPECT_TRUE(DeleteMenu(menu, 5, MF_BYPOSITION));
  EXPECT_TRUE(DeleteMenu(menu, UINT(SC_MAXIMIZE), MF_BYCOMMAND));
  EXPECT_TRUE(DeleteMenu(menu, UINT(SC_MINIMIZE), MF_BYCOMMAND));
  EXPECT_TRUE(DeleteMenu(menu, UINT(SC_RESTORE), MF_BYCOMMAND));
  EXPECT_FALSE(DeleteMenu(menu, UINT(SC_RESTORE), MF_BYCOMMAND)) << "already gone";
  EXPECT_EQ(ids(), (std::vector<UINT>{UINT(SC_MOVE), UINT(SC_SIZE), UINT(SC_CLOSE)}));
  EXPECT_EQ(GetMenuItemID(menu, 3), UINT(-1));
  EXPECT_EQ(GetSystemMenu(top, TRUE), nullptr) << "revert answers null";
  EXPECT_EQ(ids(), standard) << "and puts the standard entries back";
  DestroyWindow(top);
  EXPECT_FALSE(DeleteMenu(menu, 0, MF_BYPOSITION)) << "the menu of a destroyed window is gone";
  EXPECT_EQ(GetMenuItemCount(menu), -1);
  DestroyWindow(plain);
}

TEST_F(Windows, DestroyingAnOwnerDoesNotActivateItAgain) {
  HWND owner = CreateTop("Owner", Bounds(10, 10, 200, 200), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND tool = CreateWindowEx(WS_EX_TOOLWINDOW, "LogWnd", "tool", WS_POPUP | WS_CAPTION | WS_VISIBLE, 50, 50, 80, 80,
                             owner, nullptr, nullptr, nullptr);
  SetActiveWindow(tool);
  ASSERT_EQ(GetActiveWindow(), tool);
  Log().Clear();
  DestroyWindow(owner);
  EXPECT_EQ(Log().Count(WM_SETFOCUS, owner), 0) << "the dying owner does not take the focus from its tool window";
  EXPECT_FALSE(IsWindow(tool));
  EXPECT_NE(GetActiveWindow(), owner);
}
