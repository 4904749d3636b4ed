// The non-client area: frames and captions, window scroll bars, default hit testing and the
// mouse loops for moving, sizing, the close button and scroll-bar tracking.
#include <algorithm>

#include "user/WinInternal.h"

namespace {

constexpr UINT_PTR kScrollRepeatTimer = 0xFFFFFF01;

RECT CaptionRect(HWND w) {
  RECT in = wm::FrameInsets(w->style & ~WS_CAPTION, w->exStyle & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), false);
  int b = in.Left;
  if ((w->style & WS_CAPTION) == WS_CAPTION && !(w->style & WS_THICKFRAME))
    b = GetSystemMetrics(SM_CXDLGFRAME);
  int h = GetSystemMetrics((w->exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
  return {b, b, w->rect.Width() - b, b + h - 1};
}

RECT CloseButtonRect(HWND w) {
  RECT c = CaptionRect(w);
  int bh = c.Height() - 4;
  int bw = bh + 2;
  return {c.Right - 2 - bw, c.Top + 2, c.Right - 2, c.Top + 2 + bh};
}

struct TBarGeometry {
  RECT bar;       // window coordinates
  int arrow = 0;  // length of each arrow button
  int thumbStart = 0, thumbEnd = 0;  // along the bar, from its start; equal: no thumb
  bool vertical = true;
};

TScrollBarState& BarState(HWND w, int bar) { return bar == SB_VERT ? w->vbar : w->hbar; }

bool BarEnabled(HWND w, int bar) {
  TScrollBarState& s = BarState(w, bar);
  if (s.disabledArrows == ESB_DISABLE_BOTH) return false;
  int range = s.info.nMax - s.info.nMin;
  return range > 0 && (s.info.nPage == 0 || int(s.info.nPage) <= range);
}

TBarGeometry Geometry(HWND w, int bar) {
  TBarGeometry g;
  g.vertical = bar == SB_VERT;
  g.bar = wm::ScrollBarRect(w, bar);
  int len = g.vertical ? g.bar.Height() : g.bar.Width();
  int thick = g.vertical ? g.bar.Width() : g.bar.Height();
  g.arrow = std::min(thick, len / 2);
  int track = len - 2 * g.arrow;
  TScrollBarState& s = BarState(w, bar);
  if (!BarEnabled(w, bar) || track <= 0) {
    g.thumbStart = g.thumbEnd = g.arrow;
    return g;
  }
  int range = s.info.nMax - s.info.nMin + 1;
  int thumb = s.info.nPage ? int(int64_t(track) * s.info.nPage / range)
                           : GetSystemMetrics(g.vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
  thumb = std::max(thumb, 8);
  if (thumb > track) {
    g.thumbStart = g.thumbEnd = g.arrow;
    return g;
  }
  int maxPos = s.info.nMax - std::max(int(s.info.nPage) - 1, 0);
  int span = maxPos - s.info.nMin;
  int pos = std::clamp(s.info.nPos, s.info.nMin, std::max(maxPos, s.info.nMin));
  int off = span > 0 ? int(int64_t(track - thumb) * (pos - s.info.nMin) / span) : 0;
  g.thumbStart = g.arrow + off;
  g.thumbEnd = g.thumbStart + thumb;
  return g;
}

RECT Part(const TBarGeometry& g, int from, int to) {
  if (g.vertical) return {g.bar.Left, g.bar.Top + from, g.bar.Right, g.bar.Top + to};
  return {g.bar.Left + from, g.bar.Top, g.bar.Left + to, g.bar.Bottom};
}

POINT ScreenToWindow(HWND w, POINT screen) {
  POINT o = wm::WindowOriginScreen(w);
  return {screen.X - o.X, screen.Y - o.Y};
}

// Runs a capture loop until the left button goes up; calls step for every mouse move and
// timer tick of the loop, with the cursor in screen coordinates.
template <class F>
void CaptureLoop(HWND w, F step, UINT_PTR timer = 0) {
  SetCapture(w);
  MSG m;
  while (wm::Valid(w) && GetCapture() == w) {
    BOOL r = GetMessage(&m, nullptr, 0, 0);
    if (r == 0) {
      PostQuitMessage(int(m.wParam));
      break;
    }
    if (r < 0) break;
    if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
      step(m.pt, false);
      continue;
    }
    if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) {
      step(m.pt, true);
      break;
    }
    if (m.message == WM_TIMER && m.hwnd == w && m.wParam == timer && timer) {
      step(m.pt, false);
      continue;
    }
    if (m.message == WM_KEYDOWN && m.wParam == WPARAM(VK_ESCAPE)) break;
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  if (wm::Valid(w) && GetCapture() == w) ReleaseCapture();
}

void ScrollTrack(HWND w, int bar, POINT start) {
  UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
  TBarGeometry g = Geometry(w, bar);
  POINT p = ScreenToWindow(w, start);
  int along = g.vertical ? p.Y - g.bar.Top : p.X - g.bar.Left;
  int len = g.vertical ? g.bar.Height() : g.bar.Width();
  if (!BarEnabled(w, bar)) return;
  int code;
  bool thumb = false;
  if (along < g.arrow) code = SB_LINEUP;
  else if (along >= len - g.arrow) code = SB_LINEDOWN;
  else if (g.thumbEnd > g.thumbStart && along >= g.thumbStart && along < g.thumbEnd) thumb = true, code = SB_THUMBTRACK;
  else code = along < g.thumbStart ? SB_PAGEUP : SB_PAGEDOWN;
  if (thumb) {
    int grab = along - g.thumbStart;
    TScrollBarState& s = BarState(w, bar);
    int lastPos = s.info.nPos;
    CaptureLoop(w, [&](POINT screen, bool up) {
      if (!wm::Valid(w)) return;
      TBarGeometry g2 = Geometry(w, bar);
      POINT q = ScreenToWindow(w, screen);
      int a = (g2.vertical ? q.Y - g2.bar.Top : q.X - g2.bar.Left) - grab;
      int track = len - 2 * g2.arrow - (g2.thumbEnd - g2.thumbStart);
      int maxPos = s.info.nMax - std::max(int(s.info.nPage) - 1, 0);
      int pos = track > 0 ? s.info.nMin + int(int64_t(a - g2.arrow) * (maxPos - s.info.nMin) / track)
                          : s.info.nMin;
      pos = std::clamp(pos, s.info.nMin, std::max(maxPos, s.info.nMin));
      s.info.nTrackPos = pos;
      if (up) {
        wm::Send(w, msg, MAKEWPARAM(SB_THUMBPOSITION, WORD(pos)), 0);
      } else if (pos != lastPos) {
        lastPos = pos;
        wm::Send(w, msg, MAKEWPARAM(SB_THUMBTRACK, WORD(pos)), 0);
      }
    });
  } else {
    wm::Send(w, msg, WPARAM(code), 0);
    SetTimer(w, kScrollRepeatTimer, 400, nullptr);
    bool first = true;
    CaptureLoop(
        w,
        [&](POINT screen, bool up) {
          if (up || !wm::Valid(w)) return;
          TBarGeometry g2 = Geometry(w, bar);
          POINT q = ScreenToWindow(w, screen);
          RECT part = code == SB_LINEUP     ? Part(g2, 0, g2.arrow)
                      : code == SB_LINEDOWN ? Part(g2, len - g2.arrow, len)
                      : code == SB_PAGEUP   ? Part(g2, g2.arrow, g2.thumbStart)
                                            : Part(g2, g2.thumbEnd, len - g2.arrow);
          if (part.Contains(q)) {
            if (first) {
              first = false;
              SetTimer(w, kScrollRepeatTimer, 50, nullptr);
            }
            wm::Send(w, msg, WPARAM(code), 0);
          }
        },
        kScrollRepeatTimer);
    if (wm::Valid(w)) KillTimer(w, kScrollRepeatTimer);
  }
  if (wm::Valid(w)) wm::Send(w, msg, SB_ENDSCROLL, 0);
}

}  // namespace

namespace wm {

RECT ScrollBarRect(HWND w, int bar) {
  if (bar == SB_VERT) {
    if (!(w->style & WS_VSCROLL)) return RECT{};
    return {w->client.Right, w->client.Top, w->client.Right + GetSystemMetrics(SM_CXVSCROLL), w->client.Bottom};
  }
  if (!(w->style & WS_HSCROLL)) return RECT{};
  return {w->client.Left, w->client.Bottom, w->client.Right, w->client.Bottom + GetSystemMetrics(SM_CYHSCROLL)};
}

LRESULT NcHitTest(HWND w, POINT screen) {
  RECT wr;
  GetWindowRect(w, &wr);
  if (!wr.Contains(screen)) return HTNOWHERE;
  POINT p{screen.X - wr.Left, screen.Y - wr.Top};
  if (w->client.Contains(p)) return HTCLIENT;
  if (ScrollBarRect(w, SB_VERT).Contains(p)) return HTVSCROLL;
  if (ScrollBarRect(w, SB_HORZ).Contains(p)) return HTHSCROLL;
  int width = wr.Width(), height = wr.Height();
  if (w->style & WS_THICKFRAME) {
    int f = GetSystemMetrics(SM_CXFRAME);
    int corner = GetSystemMetrics(SM_CXSIZE) + f;
    bool left = p.X < f, right = p.X >= width - f, topE = p.Y < f, bottom = p.Y >= height - f;
    if (left || right || topE || bottom) {
      bool nearLeft = p.X < corner, nearRight = p.X >= width - corner;
      bool nearTop = p.Y < corner, nearBottom = p.Y >= height - corner;
      if ((topE && nearLeft) || (left && nearTop)) return HTTOPLEFT;
      if ((topE && nearRight) || (right && nearTop)) return HTTOPRIGHT;
      if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
      if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
      if (left) return HTLEFT;
      if (right) return HTRIGHT;
      if (topE) return HTTOP;
      return HTBOTTOM;
    }
  }
  if (HasCaption(w) && CaptionRect(w).Contains(p)) {
    if ((w->style & WS_SYSMENU) && CloseButtonRect(w).Contains(p)) return HTCLOSE;
    return HTCAPTION;
  }
  if ((w->style & WS_VSCROLL) && (w->style & WS_HSCROLL)) {
    RECT corner{w->client.Right, w->client.Bottom, w->client.Right + GetSystemMetrics(SM_CXVSCROLL),
                w->client.Bottom + GetSystemMetrics(SM_CYHSCROLL)};
    if (corner.Contains(p)) return (w->style & WS_THICKFRAME) ? HTGROWBOX : HTNOWHERE;
  }
  return HTBORDER;
}

void DrawScrollBar(HWND w, HDC dc, int bar) {
  TBarGeometry g = Geometry(w, bar);
  if (g.bar.IsEmpty()) return;
  int len = g.vertical ? g.bar.Height() : g.bar.Width();
  bool enabled = BarEnabled(w, bar);
  UINT inactive = enabled ? 0 : DFCS_INACTIVE;
  RECT a1 = Part(g, 0, g.arrow), a2 = Part(g, len - g.arrow, len);
  DrawFrameControl(dc, &a1, DFC_SCROLL, (g.vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive);
  DrawFrameControl(dc, &a2, DFC_SCROLL, (g.vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive);
  RECT track = Part(g, g.arrow, len - g.arrow);
  if (!track.IsEmpty()) FillRect(dc, &track, GetSysColorBrush(COLOR_SCROLLBAR));
  if (g.thumbEnd > g.thumbStart) {
    RECT th = Part(g, g.thumbStart, g.thumbEnd);
    FillRect(dc, &th, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &th, EDGE_RAISED, BF_RECT);
  }
}

void DrawDefaultFrame(HWND w, HDC dc) {
  RECT r{0, 0, w->rect.Width(), w->rect.Height()};
  DWORD style = w->style, ex = w->exStyle;
  if (style & WS_THICKFRAME) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    int f = GetSystemMetrics(SM_CXFRAME) - 2;
    for (int i = 0; i < f; ++i) {
      FrameRect(dc, &r, GetSysColorBrush(COLOR_ACTIVEBORDER));
      InflateRect(&r, -1, -1);
    }
  } else if ((style & WS_CAPTION) == WS_CAPTION || (style & WS_DLGFRAME) || (ex & WS_EX_DLGMODALFRAME)) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    InflateRect(&r, -1, -1);
  } else if (style & WS_BORDER) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -1, -1);
  }
  if (HasCaption(w)) {
    RECT c = CaptionRect(w);
    bool active = w->ncActive;
    COLORREF c1 = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    COLORREF c2 = GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
    GradientFillRect(dc, c, c1, c2, false);
    RECT line{c.Left, c.Bottom, c.Right, c.Bottom + 1};
    FillRect(dc, &line, GetSysColorBrush(COLOR_BTNFACE));
    HFONT font = CreateFont(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    RECT tr = c;
    tr.Left += 4;
    if (w->style & WS_SYSMENU) tr.Right = CloseButtonRect(w).Left - 2;
    DrawText(dc, w->text.c_str(), -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
    if (w->style & WS_SYSMENU) {
      RECT cb = CloseButtonRect(w);
      DrawFrameControl(dc, &cb, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    }
  }
  RECT in = FrameInsets(style, ex, false);
  RECT inner{in.Left, in.Top, w->rect.Width() - in.Right, w->rect.Height() - in.Bottom};
  if (ex & WS_EX_CLIENTEDGE) {
    RECT e{inner.Left - 2, inner.Top - 2, inner.Right + 2, inner.Bottom + 2};
    DrawEdge(dc, &e, EDGE_SUNKEN, BF_RECT);
  } else if (ex & WS_EX_STATICEDGE) {
    RECT e{inner.Left - 1, inner.Top - 1, inner.Right + 1, inner.Bottom + 1};
    DrawEdge(dc, &e, BDR_SUNKENOUTER, BF_RECT);
  }
  if (style & WS_VSCROLL) DrawScrollBar(w, dc, SB_VERT);
  if (style & WS_HSCROLL) DrawScrollBar(w, dc, SB_HORZ);
  if ((style & WS_VSCROLL) && (style & WS_HSCROLL)) {
    RECT corner{w->client.Right, w->client.Bottom, w->client.Right + GetSystemMetrics(SM_CXVSCROLL),
                w->client.Bottom + GetSystemMetrics(SM_CYHSCROLL)};
    FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
}

void NcPaint(HWND w) {
  HDC dc = GetWindowDC(w);
  if (!dc) return;
  // Only the frame: the client area is left to WM_PAINT.
  ExcludeClipRect(dc, w->client.Left, w->client.Top, w->client.Right, w->client.Bottom);
  DrawDefaultFrame(w, dc);
  ReleaseDC(w, dc);
}

bool NcMouseDown(HWND w, LRESULT hit, POINT screen) {
  if (hit == HTVSCROLL || hit == HTHSCROLL) {
    ScrollTrack(w, hit == HTVSCROLL ? SB_VERT : SB_HORZ, screen);
    return true;
  }
  if (hit == HTCLOSE) {
    bool inside = true;
    CaptureLoop(w, [&](POINT p, bool) {
      if (!Valid(w)) return;
      RECT cb = CloseButtonRect(w);
      inside = cb.Contains(ScreenToWindow(w, p));
    });
    if (Valid(w) && inside) Send(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  }
  if (!IsTopLevel(w)) return false;
  if (hit == HTCAPTION) {
    RECT start = w->rect;
    Send(w, WM_ENTERSIZEMOVE, 0, 0);
    CaptureLoop(w, [&](POINT p, bool) {
      if (!Valid(w)) return;
      SetWindowPos(w, nullptr, start.Left + p.X - screen.X, start.Top + p.Y - screen.Y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
    if (Valid(w)) Send(w, WM_EXITSIZEMOVE, 0, 0);
    return true;
  }
  if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) {
    RECT start = w->rect;
    bool left = hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
    bool right = hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT;
    bool top = hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
    bool bottom = hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
    Send(w, WM_ENTERSIZEMOVE, 0, 0);
    CaptureLoop(w, [&](POINT p, bool) {
      if (!Valid(w)) return;
      int dx = p.X - screen.X, dy = p.Y - screen.Y;
      RECT r = start;
      if (left) r.Left += dx;
      if (right) r.Right += dx;
      if (top) r.Top += dy;
      if (bottom) r.Bottom += dy;
      int minW = GetSystemMetrics(SM_CXMINTRACK), minH = GetSystemMetrics(SM_CYMINTRACK);
      if (r.Width() < minW) (left ? r.Left : r.Right) = left ? r.Right - minW : r.Left + minW;
      if (r.Height() < minH) (top ? r.Top : r.Bottom) = top ? r.Bottom - minH : r.Top + minH;
      SetWindowPos(w, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    });
    if (Valid(w)) Send(w, WM_EXITSIZEMOVE, 0, 0);
    return true;
  }
  return false;
}

}  // namespace wm

// ---- scroll-bar information ----------------------------------------------------------------

namespace {
HWND BarWindow(HWND wnd, int bar) {
  HWND w = wm::Valid(wnd);
  if (!w || (bar != SB_HORZ && bar != SB_VERT)) return nullptr;
  return w;
}

void RedrawBar(HWND w) {
  if (IsWindowVisible(w)) wm::NcPaint(w);
}
}  // namespace

int SetScrollInfo(HWND wnd, int bar, const SCROLLINFO* si, BOOL redraw) {
  HWND w = BarWindow(wnd, bar);
  if (!w || !si) return 0;
  SCROLLINFO& s = BarState(w, bar).info;
  if (si->fMask & SIF_RANGE) {
    s.nMin = si->nMin;
    s.nMax = std::max(si->nMax, si->nMin);
  }
  if (si->fMask & SIF_PAGE) s.nPage = std::min<UINT>(si->nPage, UINT(s.nMax - s.nMin + 1));
  if (si->fMask & SIF_POS) s.nPos = si->nPos;
  int maxPos = s.nMax - std::max(int(s.nPage) - 1, 0);
  s.nPos = std::clamp(s.nPos, s.nMin, std::max(maxPos, s.nMin));
  if (redraw) RedrawBar(w);
  return s.nPos;
}

BOOL GetScrollInfo(HWND wnd, int bar, SCROLLINFO* si) {
  HWND w = BarWindow(wnd, bar);
  if (!w || !si) return FALSE;
  const SCROLLINFO& s = BarState(w, bar).info;
  if (si->fMask & SIF_RANGE) si->nMin = s.nMin, si->nMax = s.nMax;
  if (si->fMask & SIF_PAGE) si->nPage = s.nPage;
  if (si->fMask & SIF_POS) si->nPos = s.nPos;
  if (si->fMask & SIF_TRACKPOS) si->nTrackPos = s.nTrackPos;
  return TRUE;
}

int SetScrollPos(HWND wnd, int bar, int pos, BOOL redraw) {
  HWND w = BarWindow(wnd, bar);
  if (!w) return 0;
  int old = BarState(w, bar).info.nPos;
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(w, bar, &si, redraw);
  return old;
}

int GetScrollPos(HWND wnd, int bar) {
  HWND w = BarWindow(wnd, bar);
  return w ? BarState(w, bar).info.nPos : 0;
}

BOOL SetScrollRange(HWND wnd, int bar, int minPos, int maxPos, BOOL redraw) {
  HWND w = BarWindow(wnd, bar);
  if (!w) return FALSE;
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = minPos;
  si.nMax = maxPos;
  SetScrollInfo(w, bar, &si, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND wnd, int bar, int* minPos, int* maxPos) {
  HWND w = BarWindow(wnd, bar);
  if (!w) return FALSE;
  if (minPos) *minPos = BarState(w, bar).info.nMin;
  if (maxPos) *maxPos = BarState(w, bar).info.nMax;
  return TRUE;
}

BOOL ShowScrollBar(HWND wnd, int bar, BOOL show) {
  HWND w = wm::Valid(wnd);
  if (!w) return FALSE;
  DWORD bits = bar == SB_HORZ ? WS_HSCROLL : bar == SB_VERT ? WS_VSCROLL : bar == SB_BOTH ? (WS_HSCROLL | WS_VSCROLL) : 0;
  if (!bits) return FALSE;
  DWORD ns = show ? (w->style | bits) : (w->style & ~bits);
  if (ns == w->style) return TRUE;
  w->style = ns;
  SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

BOOL EnableScrollBar(HWND wnd, UINT bar, UINT arrows) {
  HWND w = wm::Valid(wnd);
  if (!w) return FALSE;
  if (bar == UINT(SB_HORZ) || bar == UINT(SB_BOTH)) w->hbar.disabledArrows = arrows;
  if (bar == UINT(SB_VERT) || bar == UINT(SB_BOTH)) w->vbar.disabledArrows = arrows;
  RedrawBar(w);
  return TRUE;
}

BOOL GetScrollBarInfo(HWND wnd, LONG object, SCROLLBARINFO* info) {
  HWND w = wm::Valid(wnd);
  if (!w || !info || info->cbSize != sizeof(SCROLLBARINFO)) return FALSE;
  if (object != OBJID_HSCROLL && object != OBJID_VSCROLL) return FALSE;
  int bar = object == OBJID_VSCROLL ? SB_VERT : SB_HORZ;
  DWORD bit = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
  *info = SCROLLBARINFO{};
  RECT r;
  if (w->style & bit) {
    TBarGeometry g = Geometry(w, bar);
    POINT o = wm::WindowOriginScreen(w);
    r = g.bar;
    OffsetRect(&r, o.X, o.Y);
    info->dxyLineButton = g.arrow;
    info->xyThumbTop = g.thumbStart;
    info->xyThumbBottom = g.thumbEnd;
  } else {
    // A hidden bar still reports where it would be.
    POINT o = wm::WindowOriginScreen(w);
    if (bar == SB_VERT)
      r = {w->client.Right, w->client.Top, w->client.Right + GetSystemMetrics(SM_CXVSCROLL), w->client.Bottom};
    else
      r = {w->client.Left, w->client.Bottom, w->client.Right, w->client.Bottom + GetSystemMetrics(SM_CYHSCROLL)};
    OffsetRect(&r, o.X, o.Y);
  }
  info->rcScrollBar = r;
  DWORD state = 0;
  if (!(w->style & bit)) state |= STATE_SYSTEM_INVISIBLE;
  if (!IsWindowVisible(w)) state |= STATE_SYSTEM_OFFSCREEN;
  if (!BarEnabled(w, bar)) state |= STATE_SYSTEM_UNAVAILABLE;
  info->rgstate[0] = state;
  return TRUE;
}
