// System colours (the classic scheme), system metrics, and the rectangle helpers.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gdi/Gdi.h"

namespace {
constexpr COLORREF kClassic[COLOR_ENDCOLORS + 1] = {
    RGB(192, 192, 192),  // COLOR_SCROLLBAR
    RGB(0, 128, 128),    // COLOR_BACKGROUND
    RGB(0, 0, 128),      // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(192, 192, 192),  // COLOR_ACTIVEBORDER
    RGB(192, 192, 192),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(0, 0, 128),      // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(192, 192, 192),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(0, 0, 0),        // COLOR_3DDKSHADOW
    RGB(192, 192, 192),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(0, 0, 0),        // 25: unused
    RGB(0, 0, 255),      // COLOR_HOTLIGHT
    RGB(16, 132, 208),   // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 0, 128),      // COLOR_MENUHILIGHT
    RGB(192, 192, 192),  // COLOR_MENUBAR
};
COLORREF colors[COLOR_ENDCOLORS + 1];
bool colorsSet = false;

void InitColors() {
  if (colorsSet) return;
  std::copy(std::begin(kClassic), std::end(kClassic), colors);
  colorsSet = true;
}

struct Metric {
  int index, value;
};
constexpr Metric kMetrics[] = {
    {SM_CXSCREEN, 1024}, {SM_CYSCREEN, 768}, {SM_CXVSCROLL, 16}, {SM_CYHSCROLL, 16},
    {SM_CYCAPTION, 18}, {SM_CXBORDER, 1}, {SM_CYBORDER, 1}, {SM_CXDLGFRAME, 3},
    {SM_CYDLGFRAME, 3}, {SM_CYVTHUMB, 16}, {SM_CXHTHUMB, 16}, {SM_CXICON, 32},
    {SM_CYICON, 32}, {SM_CXCURSOR, 32}, {SM_CYCURSOR, 32}, {SM_CYMENU, 19},
    {SM_CXFULLSCREEN, 1024}, {SM_CYFULLSCREEN, 731}, {SM_MOUSEPRESENT, 1}, {SM_CYVSCROLL, 16},
    {SM_CXHSCROLL, 16}, {SM_CXMIN, 112}, {SM_CYMIN, 27}, {SM_CXSIZE, 18}, {SM_CYSIZE, 18},
    {SM_CXFRAME, 4}, {SM_CYFRAME, 4}, {SM_CXMINTRACK, 112}, {SM_CYMINTRACK, 27},
    {SM_CXDOUBLECLK, 4}, {SM_CYDOUBLECLK, 4}, {SM_CXICONSPACING, 75}, {SM_CYICONSPACING, 75},
    {SM_DBCSENABLED, 1}, {SM_CMOUSEBUTTONS, 3}, {SM_CXEDGE, 2}, {SM_CYEDGE, 2},
    {SM_CXSMICON, 16}, {SM_CYSMICON, 16}, {SM_CYSMCAPTION, 15}, {SM_CXSMSIZE, 15},
    {SM_CYSMSIZE, 15}, {SM_CXMENUSIZE, 18}, {SM_CYMENUSIZE, 18}, {SM_CXDRAG, 4},
    {SM_CYDRAG, 4}, {SM_CXMENUCHECK, 13}, {SM_CYMENUCHECK, 13}, {SM_MOUSEWHEELPRESENT, 1},
    {SM_CXVIRTUALSCREEN, 1024}, {SM_CYVIRTUALSCREEN, 768}, {SM_CMONITORS, 1},
    {SM_CXFOCUSBORDER, 1}, {SM_CYFOCUSBORDER, 1},
};
int metrics[SM_CMETRICS];
bool metricsSet = false;

void InitMetrics() {
  if (metricsSet) return;
  std::fill(std::begin(metrics), std::end(metrics), 0);
  for (const Metric& m : kMetrics) metrics[m.index] = m.value;
  metricsSet = true;
}
}  // namespace

DWORD GetSysColor(int index) {
  if (index < 0 || index > COLOR_ENDCOLORS) return 0;
  InitColors();
  return colors[index];
}

BOOL SetSysColors(int count, const int* indexes, const COLORREF* values) {
  if (count < 0 || (count > 0 && (!indexes || !values))) return FALSE;
  InitColors();
  for (int i = 0; i < count; ++i)
    if (indexes[i] >= 0 && indexes[i] <= COLOR_ENDCOLORS) colors[indexes[i]] = values[i] & 0xFFFFFF;
  return TRUE;
}

void ResetSysColors() {
  colorsSet = false;
  InitColors();
}

int GetSystemMetrics(int index) {
  if (index < 0 || index >= SM_CMETRICS) return 0;
  InitMetrics();
  return metrics[index];
}

void SetSystemMetric(int index, int value) {
  if (index < 0 || index >= SM_CMETRICS) return;
  InitMetrics();
  metrics[index] = value;
}

void ResetSystemMetrics() {
  metricsSet = false;
  InitMetrics();
}

// ---- rectangles ----------------------------------------------------------------------------

BOOL SetRect(RECT* r, int left, int top, int right, int bottom) {
  if (!r) return FALSE;
  *r = RECT(left, top, right, bottom);
  return TRUE;
}
BOOL SetRectEmpty(RECT* r) {
  if (!r) return FALSE;
  *r = RECT();
  return TRUE;
}
BOOL CopyRect(RECT* dst, const RECT* src) {
  if (!dst || !src) return FALSE;
  *dst = *src;
  return TRUE;
}
BOOL InflateRect(RECT* r, int dx, int dy) {
  if (!r) return FALSE;
  *r = RECT(r->Left - dx, r->Top - dy, r->Right + dx, r->Bottom + dy);
  return TRUE;
}
BOOL OffsetRect(RECT* r, int dx, int dy) {
  if (!r) return FALSE;
  *r = RECT(r->Left + dx, r->Top + dy, r->Right + dx, r->Bottom + dy);
  return TRUE;
}
BOOL IsRectEmpty(const RECT* r) { return !r || r->Right <= r->Left || r->Bottom <= r->Top; }
BOOL PtInRect(const RECT* r, POINT p) { return r && r->Contains(p); }
BOOL EqualRect(const RECT* a, const RECT* b) { return a && b && *a == *b; }
BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  RECT r(std::max(a->Left, b->Left), std::max(a->Top, b->Top), std::min(a->Right, b->Right),
         std::min(a->Bottom, b->Bottom));
  if (r.IsEmpty()) {
    *dst = RECT();
    return FALSE;
  }
  *dst = r;
  return TRUE;
}
BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  if (IsRectEmpty(a)) {
    *dst = IsRectEmpty(b) ? RECT() : *b;
  } else if (IsRectEmpty(b)) {
    *dst = *a;
  } else {
    *dst = RECT(std::min(a->Left, b->Left), std::min(a->Top, b->Top), std::max(a->Right, b->Right),
                std::max(a->Bottom, b->Bottom));
  }
  return !IsRectEmpty(dst);
}
// a minus b, when b covers a whole side of a; otherwise a itself.
BOOL SubtractRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  RECT r = *a;
  RECT i;
  if (IntersectRect(&i, a, b)) {
    if (i.Top == r.Top && i.Bottom == r.Bottom) {
      if (i.Left == r.Left) r.Left = i.Right;
      else if (i.Right == r.Right) r.Right = i.Left;
    } else if (i.Left == r.Left && i.Right == r.Right) {
      if (i.Top == r.Top) r.Top = i.Bottom;
      else if (i.Bottom == r.Bottom) r.Bottom = i.Top;
    }
  }
  if (r.IsEmpty()) {
    *dst = RECT();
    return FALSE;
  }
  *dst = r;
  return TRUE;
}
