// The caret: one per thread, drawn by inverting its rectangle, blinking by the clock.
#include "rtl/Clock.h"
#include "user/WinInternal.h"

namespace {

struct TCaret {
  HWND owner = nullptr;
  HBITMAP bitmap = nullptr;
  int width = 0, height = 0;
  POINT pos{0, 0};
  int hideCount = 1;
  bool drawn = false;
  int suspended = 0;
  UINT blinkTime = 530;
  uint64_t nextToggle = 0;
};

TCaret& C() {
  static TCaret c;
  return c;
}

void Invert() {
  auto& c = C();
  if (!wm::Valid(c.owner)) return;
  // Only the caret's rectangle changes, so only it needs presenting.
  HRGN area = CreateRectRgn(c.pos.X, c.pos.Y, c.pos.X + c.width, c.pos.Y + c.height);
  HDC dc = GetDCEx(c.owner, area, DCX_INTERSECTRGN | DCX_CACHE);
  if (!dc) return;
  bool realBitmap = c.bitmap && reinterpret_cast<intptr_t>(c.bitmap) > 1;
  if (realBitmap) {
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, c.bitmap);
    BitBlt(dc, c.pos.X, c.pos.Y, c.width, c.height, mem, 0, 0, SRCINVERT);
    SelectObject(mem, old);
    DeleteDC(mem);
  } else {
    PatBlt(dc, c.pos.X, c.pos.Y, c.width, c.height, DSTINVERT);
  }
  ReleaseDC(c.owner, dc);
}

void Undraw() {
  auto& c = C();
  if (c.drawn) {
    Invert();
    c.drawn = false;
  }
}

void DrawIfShown() {
  auto& c = C();
  if (c.owner && c.hideCount == 0 && !c.suspended && !c.drawn && IsWindowVisible(c.owner)) {
    Invert();
    c.drawn = true;
  }
  c.nextToggle = Clock().TickCount() + c.blinkTime;
}

}  // namespace

BOOL CreateCaret(HWND wnd, HBITMAP bitmap, int width, int height) {
  HWND w = wm::Valid(wnd);
  if (!w) return FALSE;
  DestroyCaret();
  auto& c = C();
  c.owner = w;
  c.bitmap = bitmap;
  if (bitmap && reinterpret_cast<intptr_t>(bitmap) > 1) {
    BITMAP bm;
    if (GetObject(bitmap, sizeof bm, &bm)) {
      width = bm.bmWidth;
      height = bm.bmHeight;
    }
  }
  c.width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
  c.height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
  c.hideCount = 1;
  c.drawn = false;
  c.suspended = 0;
  return TRUE;
}

BOOL DestroyCaret() {
  auto& c = C();
  if (!c.owner) return FALSE;
  Undraw();
  c.owner = nullptr;
  c.bitmap = nullptr;
  c.hideCount = 1;
  c.suspended = 0;
  return TRUE;
}

BOOL ShowCaret(HWND wnd) {
  auto& c = C();
  if (!c.owner || (wnd && wnd != c.owner)) return FALSE;
  if (c.hideCount > 0) --c.hideCount;
  if (c.hideCount == 0) DrawIfShown();
  return TRUE;
}

BOOL HideCaret(HWND wnd) {
  auto& c = C();
  if (!c.owner || (wnd && wnd != c.owner)) return FALSE;
  ++c.hideCount;
  Undraw();
  return TRUE;
}

BOOL SetCaretPos(int x, int y) {
  auto& c = C();
  if (!c.owner) return FALSE;
  if (c.pos.X == x && c.pos.Y == y) return TRUE;
  bool was = c.drawn;
  Undraw();
  c.pos = {x, y};
  if (was || c.hideCount == 0) DrawIfShown();
  return TRUE;
}

BOOL GetCaretPos(POINT* p) {
  if (!p) return FALSE;
  *p = C().pos;
  return TRUE;
}

UINT GetCaretBlinkTime() { return C().blinkTime; }

BOOL SetCaretBlinkTime(UINT ms) {
  C().blinkTime = ms ? ms : 530;
  return TRUE;
}

namespace wm {

void CaretBlinkTick(uint64_t now) {
  auto& c = C();
  if (!c.owner || c.hideCount > 0 || c.suspended || now < c.nextToggle) return;
  if (!Valid(c.owner)) {
    c.owner = nullptr;
    return;
  }
  Invert();
  c.drawn = !c.drawn;
  c.nextToggle = now + c.blinkTime;
}

int CaretNextBlink(uint64_t now) {
  auto& c = C();
  if (!c.owner || c.hideCount > 0 || c.suspended) return -1;
  return c.nextToggle <= now ? 0 : int(c.nextToggle - now);
}

void CaretHideForPaint(HWND w) {
  auto& c = C();
  if (c.owner != w) return;
  Undraw();
  ++c.suspended;
}

void CaretRestoreAfterPaint(HWND w) {
  auto& c = C();
  if (c.owner != w || c.suspended == 0) return;
  if (--c.suspended == 0 && c.hideCount == 0) DrawIfShown();
}

void CaretOnDestroy(HWND w) {
  auto& c = C();
  if (c.owner == w) {
    c.drawn = false;
    c.owner = nullptr;
    c.hideCount = 1;
    c.suspended = 0;
  }
}

}  // namespace wm
