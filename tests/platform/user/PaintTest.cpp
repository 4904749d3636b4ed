// Painting: update regions and WM_PAINT, erasing, child and sibling clipping, scrolling
// pixels, the screen overlay, printing, the caret and window regions.
#include <cstring>

#include "tests/platform/user/UserTestSupport.h"
#include "user/WinInternal.h"

using namespace usertest;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 160, 0);

class Paint : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    Log().Clear();
    // A frameless top-level window: window and client coordinates are the same.
    top = CreateTop("Canvas", Bounds(50, 50, 200, 120), WS_POPUP | WS_VISIBLE);
    Pump();
    Log().Clear();
  }
  std::vector<RECT> PaintRects(HWND w) {
    std::vector<RECT> v;
    SetHandler(w, [&v](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
      if (m != WM_PAINT) return false;
      PAINTSTRUCT ps;
      BeginPaint(h, &ps);
      v.push_back(ps.rcPaint);
      EndPaint(h, &ps);
      return true;
    });
    Pump();
    SetHandler(w, nullptr);
    return v;
  }
  HWND top = nullptr;
};

TEST_F(Paint, InvalidationsMergeIntoOnePaintThatComesOnlyWhenTheQueueIsEmpty) {
  RECT first{10, 10, 20, 20};
  InvalidateRect(top, &first, FALSE);
  RECT second{50, 30, 60, 40};
  InvalidateRect(top, &second, FALSE);
  PostMessage(top, WM_USER, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, UINT(WM_USER));
  RECT u;
  ASSERT_TRUE(GetUpdateRect(top, &u, FALSE));
  EXPECT_EQ(u, (RECT{10, 10, 60, 40}));
  auto rects = PaintRects(top);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0], (RECT{10, 10, 60, 40}));
  EXPECT_FALSE(GetUpdateRect(top, &u, FALSE));
  // Validating part of it leaves the rest.
  InvalidateRect(top, nullptr, FALSE);
  RECT left{0, 0, 100, 120};
  ValidateRect(top, &left);
  rects = PaintRects(top);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0], (RECT{100, 0, 200, 120}));
}

TEST_F(Paint, EraseComesWithBeginPaintOnlyWhenAsked) {
  struct TCase {
    BOOL erase;
    int erases;
  } cases[] = {{FALSE, 0}, {TRUE, 1}};
  for (auto& c : cases) {
    Log().Clear();
    InvalidateRect(top, nullptr, c.erase);
    Pump();
    EXPECT_EQ(Log().Count(WM_ERASEBKGND, top), c.erases);
    EXPECT_EQ(Log().Count(WM_PAINT, top), 1);
  }
  // A window that does not erase leaves fErase set for its paint handler.
  SetHandler(top, [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_ERASEBKGND) return false;
    r = 0;
    return true;
  });
  InvalidateRect(top, nullptr, TRUE);
  PAINTSTRUCT ps;
  BeginPaint(top, &ps);
  EXPECT_TRUE(ps.fErase);
  EndPaint(top, &ps);
}

TEST_F(Paint, UpdateWindowPaintsAtOnceRedrawWindowFlagsChooseWhatHappens) {
  InvalidateRect(top, nullptr, TRUE);
  UpdateWindow(top);
  EXPECT_EQ(Log().Count(WM_PAINT, top), 1);
  EXPECT_EQ(Pump(), 0);
  HWND c = CreateChild(top, Bounds(10, 10, 30, 30), WS_CHILD | WS_VISIBLE | WS_BORDER);
  Pump();
  struct TCase {
    const char* name;
    UINT flags;
    int parentPaints, childPaints, parentErases, childNcPaints;
  } cases[] = {
      {"invalidate, children follow without clip-children", RDW_INVALIDATE | RDW_UPDATENOW, 1, 1, 0, 0},
      {"no children", RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW, 1, 0, 0, 0},
      {"erase now", RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW, 0, 0, 1, 0},
      {"frame of children", RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW, 1, 1, 0, 1},
      {"internal paint", RDW_INTERNALPAINT | RDW_UPDATENOW, 1, 0, 0, 0},
  };
  for (auto& t : cases) {
    SCOPED_TRACE(t.name);
    Pump();
    Log().Clear();
    RedrawWindow(top, nullptr, nullptr, t.flags);
    EXPECT_EQ(Log().Count(WM_PAINT, top), t.parentPaints);
    EXPECT_EQ(Log().Count(WM_PAINT, c), t.childPaints);
    EXPECT_EQ(Log().Count(WM_ERASEBKGND, top), t.parentErases);
    EXPECT_EQ(Log().Count(WM_NCPAINT, c), t.childNcPaints);
  }
  Pump();
  // Validating removes a pending paint.
  InvalidateRect(top, nullptr, FALSE);
  RedrawWindow(top, nullptr, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
  Log().Clear();
  Pump();
  EXPECT_EQ(Log().Count(WM_PAINT, top), 0);
}

TEST_F(Paint, ChildrenClipSiblingsBelowThemAndClipChildrenClipsTheParent) {
  // Parent without clip-children: its fill covers the children's area, which they repaint.
  HWND lower = CreateChild(top, Bounds(20, 20, 60, 40));
  HWND upper = CreateChild(top, Bounds(50, 30, 60, 40));  // created later: above `lower`
  PaintSolid(top, kGreen);
  PaintSolid(lower, kRed);
  PaintSolid(upper, kBlue);
  InvalidateRect(top, nullptr, TRUE);
  Pump();
  S().Snapshot(top, "user_clip_siblings.png");
  EXPECT_EQ(PixelAt(top, 5, 5), kGreen);
  EXPECT_EQ(PixelAt(top, 25, 25), kRed);
  EXPECT_EQ(PixelAt(top, 55, 35), kBlue) << "the lower sibling does not paint over the upper one";
  EXPECT_EQ(PixelAt(top, 105, 65), kBlue);
  // Only the lower sibling repaints: the overlap stays the upper one's.
  InvalidateRect(lower, nullptr, TRUE);
  Pump();
  EXPECT_EQ(PixelAt(top, 55, 35), kBlue);
  // With clip-children the parent's own paint leaves the children alone.
  SetWindowLongPtr(top, GWL_STYLE, GetWindowLongPtr(top, GWL_STYLE) | WS_CLIPCHILDREN);
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(PixelAt(top, 25, 25), kRed);
  EXPECT_EQ(PixelAt(top, 55, 35), kBlue);
  // A parent's device context without clip-children draws over the children.
  SetWindowLongPtr(top, GWL_STYLE, GetWindowLongPtr(top, GWL_STYLE) & ~WS_CLIPCHILDREN);
  HDC dc = GetDC(top);
  RECT all{0, 0, 200, 120};
  HBRUSH br = CreateSolidBrush(kGreen);
  FillRect(dc, &all, br);
  DeleteObject(br);
  ReleaseDC(top, dc);
  EXPECT_EQ(PixelAt(top, 25, 25), kGreen);
}

TEST_F(Paint, ChildDrawingStaysInsideItsParentsClientArea) {
  HWND parent = CreateChild(top, Bounds(10, 10, 50, 50));
  HWND child = CreateChild(parent, Bounds(30, 30, 50, 50));  // sticks out of the parent
  PaintSolid(top, kGreen);
  PaintSolid(parent, kRed);
  PaintSolid(child, kBlue);
  InvalidateRect(top, nullptr, TRUE);
  Pump();
  EXPECT_EQ(PixelAt(top, 45, 45), kBlue);
  EXPECT_EQ(PixelAt(top, 65, 65), kGreen) << "outside the parent nothing of the child shows";
  EXPECT_EQ(PixelAt(top, 15, 15), kRed);
}

TEST_F(Paint, HidingAChildRepaintsWhatItCovered) {
  HWND c = CreateChild(top, Bounds(20, 20, 40, 40));
  PaintSolid(top, kGreen);
  PaintSolid(c, kBlue);
  InvalidateRect(top, nullptr, TRUE);
  Pump();
  EXPECT_EQ(PixelAt(top, 30, 30), kBlue);
  ShowWindow(c, SW_HIDE);
  Pump();
  EXPECT_EQ(PixelAt(top, 30, 30), kGreen);
  ShowWindow(c, SW_SHOW);
  MoveWindow(c, 100, 20, 40, 40, TRUE);
  Pump();
  EXPECT_EQ(PixelAt(top, 30, 30), kGreen);
  EXPECT_EQ(PixelAt(top, 110, 30), kBlue);
}

// Rows of distinct colours: row y has colour RGB(y, 255 - y, 7).
void PaintRows(HWND w) {
  SetHandler(w, [](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m == WM_ERASEBKGND) { r = 1; return true; }
    if (m != WM_PAINT) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    for (int y = ps.rcPaint.Top; y < ps.rcPaint.Bottom; ++y) {
      HBRUSH br = CreateSolidBrush(RGB(y, 255 - y, 7));
      RECT row{ps.rcPaint.Left, y, ps.rcPaint.Right, y + 1};
      FillRect(dc, &row, br);
      DeleteObject(br);
    }
    EndPaint(h, &ps);
    return true;
  });
}

TEST_F(Paint, ScrollWindowExMovesPixelsAndInvalidatesWhatItUncovers) {
  PaintRows(top);
  InvalidateRect(top, nullptr, TRUE);
  Pump();
  struct TCase {
    const char* name;
    int dx, dy;
    RECT expectedUpdate;
  } cases[] = {
      {"up", 0, -10, {0, 110, 200, 120}},
      {"down", 0, 25, {0, 0, 200, 25}},
      {"left", -30, 0, {170, 0, 200, 120}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    InvalidateRect(top, nullptr, TRUE);
    Pump();
    HRGN upd = CreateRectRgn(0, 0, 0, 0);
    RECT ur;
    int kind = ScrollWindowEx(top, c.dx, c.dy, nullptr, nullptr, upd, &ur, SW_INVALIDATE);
    EXPECT_EQ(kind, SIMPLEREGION);
    EXPECT_EQ(ur, c.expectedUpdate);
    RECT box;
    GetRgnBox(upd, &box);
    EXPECT_EQ(box, c.expectedUpdate);
    DeleteObject(upd);
    // A pixel that stayed visible now shows what was dy rows away.
    int y = c.dy < 0 ? 40 : 60;
    EXPECT_EQ(PixelAt(top, 100, y), RGB(y - c.dy, 255 - (y - c.dy), 7));
    RECT u;
    ASSERT_TRUE(GetUpdateRect(top, &u, FALSE));
    EXPECT_EQ(u, c.expectedUpdate);
    Pump();
    int uy = c.expectedUpdate.Bottom - 1, ux = c.expectedUpdate.Right - 1;
    EXPECT_EQ(PixelAt(top, ux, uy), RGB(uy, 255 - uy, 7)) << "the uncovered part is painted again";
  }
}

TEST_F(Paint, ScrollWindowExWithinARectangleLeavesTheRestAndMovesPendingUpdates) {
  PaintRows(top);
  InvalidateRect(top, nullptr, TRUE);
  Pump();
  COLORREF outside = PixelAt(top, 150, 50);
  RECT area{0, 0, 100, 120};
  RECT pending{10, 60, 20, 70};
  InvalidateRect(top, &pending, FALSE);
  RECT ur;
  ScrollWindowEx(top, 0, -20, &area, &area, nullptr, &ur, 0);
  EXPECT_EQ(ur, (RECT{0, 100, 100, 120}));
  EXPECT_EQ(PixelAt(top, 150, 50), outside);
  RECT u;
  GetUpdateRect(top, &u, FALSE);
  EXPECT_EQ(u, (RECT{10, 40, 20, 50})) << "the pending update moved with the pixels";
}

TEST_F(Paint, ScrollChildrenMovesThem) {
  HWND c = CreateChild(top, Bounds(10, 50, 20, 20));
  Pump();
  ScrollWindowEx(top, 0, -30, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE);
  RECT r;
  GetWindowRect(c, &r);
  EXPECT_EQ(r.Top, 50 + 20);
}

TEST_F(Paint, ScreenDrawingWithXorTwiceLeavesNoTrace) {
  PaintSolid(top, kGreen);
  InvalidateRect(top, nullptr, TRUE);
  Pump();
  auto screenPixel = [&](int x, int y) {
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c;
  };
  COLORREF under = screenPixel(60, 60);
  EXPECT_EQ(under, kGreen);
  auto xorLine = [] {
    HDC dc = GetDC(nullptr);
    SetROP2(dc, R2_NOT);
    MoveToEx(dc, 55, 60, nullptr);
    LineTo(dc, 150, 60);
    ReleaseDC(nullptr, dc);
  };
  xorLine();
  EXPECT_NE(screenPixel(60, 60), kGreen);
  S().SnapshotScreen("user_screen_xor.png");
  EXPECT_EQ(PixelAt(top, 10, 10), kGreen) << "the window's own pixels stay as they are";
  xorLine();
  EXPECT_EQ(screenPixel(60, 60), kGreen);
}

TEST_F(Paint, ScreenContextsUsedOnlyToMeasureLoseNoWindowUpdates) {
  // Text is often measured on the screen's device context while a window's new pixels are
  // still waiting to be shown: that must neither count as drawing over the windows nor keep
  // the new pixels from the window system.
  auto measureOnScreen = [] {
    HDC dc = GetDC(nullptr);
    SIZE sz;
    GetTextExtentPoint32(dc, "Wg", 2, &sz);
    ReleaseDC(nullptr, dc);
  };
  struct Case {
    const char* name;
    bool insidePaint;
  };
  for (const Case& c : {Case{"measuring inside WM_PAINT", true}, Case{"measuring after an immediate paint", false}}) {
    SCOPED_TRACE(c.name);
    COLORREF color = c.insidePaint ? kRed : kBlue;
    SetHandler(top, [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT& r) {
      if (msg != WM_PAINT) return false;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      HBRUSH br = CreateSolidBrush(color);
      FillRect(dc, &ps.rcPaint, br);
      DeleteObject(br);
      if (c.insidePaint) measureOnScreen();
      EndPaint(h, &ps);
      r = 0;
      return true;
    });
    InvalidateRect(top, nullptr, FALSE);
    if (!c.insidePaint) {
      UpdateWindow(top);
      measureOnScreen();
    }
    Pump();
    SetHandler(top, nullptr);
    EXPECT_FALSE(wm::ScreenOverlayActive());
    TSurface store;
    ASSERT_TRUE(THeadlessBackend::CopyWindowPixels(top, store));
    const TSurface* shown = S().Backend().PresentedPixels(top);
    ASSERT_TRUE(shown);
    ASSERT_EQ(shown->Width(), store.Width());
    ASSERT_EQ(shown->Height(), store.Height());
    bool same = true;
    for (int y = 0; same && y < store.Height(); ++y)
      same = memcmp(shown->Row(y), store.Row(y), size_t(store.Width()) * 4) == 0;
    EXPECT_TRUE(same) << "the window system shows what the window painted";
    HDC sdc = GetDC(nullptr);
    EXPECT_EQ(GetPixel(sdc, 60, 60), color);
    ReleaseDC(nullptr, sdc);
  }
}

TEST_F(Paint, PrintDrawsTheWindowAndItsChildrenIntoAnyDeviceContext) {
  HWND c = CreateChild(top, Bounds(20, 20, 30, 30));
  auto printClient = [](COLORREF col) {
    return [col](HWND, UINT m, WPARAM wp, LPARAM, LRESULT& r) {
      if (m != WM_PRINTCLIENT) return false;
      HDC dc = reinterpret_cast<HDC>(wp);
      RECT rc{0, 0, 500, 500};
      HBRUSH br = CreateSolidBrush(col);
      FillRect(dc, &rc, br);
      DeleteObject(br);
      r = 0;
      return true;
    };
  };
  SetHandler(top, printClient(kGreen));
  SetHandler(c, printClient(kBlue));
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HBITMAP bmp = CreateBitmap(200, 120, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(mem, bmp);
  SendMessage(top, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT | PRF_CHILDREN);
  EXPECT_EQ(GetPixel(mem, 5, 5), kGreen);
  EXPECT_EQ(GetPixel(mem, 25, 25), kBlue);
  EXPECT_EQ(GetPixel(mem, 55, 55), kGreen) << "the child is clipped to its own rectangle";
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
}

TEST_F(Paint, TheCaretBlinksByTheClockAndHidesWhilePainting) {
  PaintSolid(top, RGB(255, 255, 255));
  InvalidateRect(top, nullptr, TRUE);
  Pump();
  ASSERT_TRUE(CreateCaret(top, nullptr, 2, 10));
  SetCaretPos(30, 30);
  EXPECT_EQ(PixelAt(top, 30, 31), RGB(255, 255, 255)) << "hidden until shown";
  ShowCaret(top);
  EXPECT_EQ(PixelAt(top, 30, 31), RGB(0, 0, 0));
  EXPECT_EQ(PixelAt(top, 32, 31), RGB(255, 255, 255));
  S().Advance(GetCaretBlinkTime());
  EXPECT_EQ(PixelAt(top, 30, 31), RGB(255, 255, 255));
  S().Advance(GetCaretBlinkTime());
  EXPECT_EQ(PixelAt(top, 30, 31), RGB(0, 0, 0));
  // A repaint under the caret does not leave a stale inverted copy.
  InvalidateRect(top, nullptr, TRUE);
  Pump();
  EXPECT_EQ(PixelAt(top, 30, 31), RGB(0, 0, 0));
  SetCaretPos(60, 30);
  EXPECT_EQ(PixelAt(top, 30, 31), RGB(255, 255, 255));
  EXPECT_EQ(PixelAt(top, 60, 31), RGB(0, 0, 0));
  HideCaret(top);
  EXPECT_EQ(PixelAt(top, 60, 31), RGB(255, 255, 255));
  DestroyCaret();
}

TEST_F(Paint, WindowRegionsShapeWhatIsDrawnAndHit) {
  HWND c = CreateChild(top, Bounds(10, 10, 40, 40));
  PaintSolid(top, kGreen);
  PaintSolid(c, kBlue);
  SetWindowRgn(c, CreateEllipticRgn(0, 0, 40, 40), TRUE);
  Pump();
  EXPECT_EQ(PixelAt(top, 30, 30), kBlue);
  EXPECT_EQ(PixelAt(top, 11, 11), kGreen) << "the corner lies outside the ellipse";
  EXPECT_EQ(WindowFromPoint(S().ScreenPoint(top, {11, 11})), top);
  EXPECT_EQ(WindowFromPoint(S().ScreenPoint(top, {30, 30})), c);
  S().Snapshot(top, "user_window_region.png");
}

TEST_F(Paint, WindowsThatAreHiddenOrRedrawOffPaintNothing) {
  HWND c = CreateChild(top, Bounds(10, 10, 40, 40));
  PaintSolid(top, kGreen);
  PaintSolid(c, kBlue);
  InvalidateRect(top, nullptr, TRUE);
  Pump();
  SendMessage(c, WM_SETREDRAW, FALSE, 0);
  EXPECT_FALSE(IsWindowVisible(c));
  PaintSolid(c, kRed);
  InvalidateRect(c, nullptr, TRUE);
  Log().Clear();
  Pump();
  EXPECT_EQ(Log().Count(WM_PAINT, c), 0);
  SendMessage(c, WM_SETREDRAW, TRUE, 0);
  EXPECT_TRUE(IsWindowVisible(c));
  RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(PixelAt(top, 20, 20), kRed);
}

}  // namespace
