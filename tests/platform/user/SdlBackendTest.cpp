// The SDL2 backend without a display (SDL's dummy video driver): windows are created, shown,
// painted and presented, and waiting with a timeout returns.
#include <gtest/gtest.h>

#include <cstdlib>

#include "backend/Sdl.h"
#include "user/Windows.h"

namespace {

LRESULT PaintBlue(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    HBRUSH br = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &ps.rcPaint, br);
    DeleteObject(br);
    EndPaint(w, &ps);
    return 0;
  }
  return DefWindowProc(w, msg, wp, lp);
}

TEST(SdlBackend, ShowsPaintsPresentsAndWaitsWithoutADisplay) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  TSdlBackend backend;
  SetBackend(&backend);
  ASSERT_FALSE(backend.Monitors().empty());
  WNDCLASS wc;
  wc.lpfnWndProc = PaintBlue;
  wc.lpszClassName = "SdlBackendTestWnd";
  RegisterClass(&wc);
  HWND w = CreateWindowEx(0, "SdlBackendTestWnd", "SDL", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 200, 120,
                          nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(w);
  HWND popup = CreateWindowEx(WS_EX_NOACTIVATE | WS_EX_TOPMOST, "SdlBackendTestWnd", "", WS_POPUP, 30, 30, 50, 50,
                              w, nullptr, nullptr, nullptr);
  ShowWindow(popup, SW_SHOWNA);
  EXPECT_EQ(GetActiveWindow(), w);
  MSG m;
  int guard = 0;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE) && guard++ < 1000) DispatchMessage(&m);
  RECT u;
  EXPECT_FALSE(GetUpdateRect(w, &u, FALSE)) << "painted and presented";
  backend.WaitForEvents(5);
  SetCursor(LoadCursor(nullptr, IDC_HAND));
  MoveWindow(w, 40, 40, 300, 150, TRUE);
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE) && guard++ < 2000) DispatchMessage(&m);
  DestroyWindow(w);
  EXPECT_FALSE(IsWindow(popup)) << "the owned popup went with its owner";
  SetBackend(nullptr);
}

}  // namespace
