// Painting: update regions, WM_PAINT, device contexts of windows and of the screen, visible
// regions with child and sibling clipping, scrolling, and presenting backing stores.
#include <algorithm>
#include <cstring>
#include <map>

#include "user/WinInternal.h"

namespace {

struct TDcInfo {
  HWND wnd = nullptr;  // null: the screen
  HWND top = nullptr;
  RECT bounds;         // surface coordinates touched at most
};

struct TPaintState {
  std::map<HDC, TDcInfo> dcs;
  TSurface screen;
  TSurface screenBefore;  // the framebuffer when the first screen DC was taken
  bool overlayActive = false;
  int screenDcs = 0;
  HWND lockedWindow = nullptr;
};

TPaintState& P() {
  static TPaintState p;
  return p;
}

RECT WindowBox(HWND w) { return {0, 0, w->rect.Width(), w->rect.Height()}; }

bool ChildrenFollow(HWND w, UINT flags) {
  if (flags & RDW_ALLCHILDREN) return true;
  if (flags & RDW_NOCHILDREN) return false;
  return !(w->style & WS_CLIPCHILDREN);
}

// Limits `rgn` to the window's own region, when it has one, placed at `x`, `y`.
void ClipToWindowRgn(HRGN rgn, HWND w, int x, int y) {
  if (!w->windowRgn) return;
  HRGN wr = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(wr, w->windowRgn, nullptr, RGN_COPY);
  OffsetRgn(wr, x, y);
  CombineRgn(rgn, rgn, wr, RGN_AND);
  DeleteObject(wr);
}

// Region in w's window coordinates -> the same area in a child's window coordinates.
HRGN ToChild(HWND w, HWND c, HRGN rgn) {
  HRGN r = wm::EmptyRgn();
  RECT cr = c->rect;
  OffsetRect(&cr, w->client.Left, w->client.Top);
  HRGN box = wm::RectRgn(cr);
  CombineRgn(r, rgn, box, RGN_AND);
  DeleteObject(box);
  OffsetRgn(r, -cr.Left, -cr.Top);
  return r;
}

void ValidateWindowRegion(HWND w, HRGN rgn, UINT flags, bool children) {
  if (w->update) {
    CombineRgn(w->update, w->update, rgn, RGN_DIFF);
    if (wm::RgnEmpty(w->update)) {
      DeleteObject(w->update);
      w->update = nullptr;
    }
  }
  if (!w->update) {
    w->erasePending = false;
    w->ncPaintPending = false;
  }
  if (flags & RDW_NOERASE) w->erasePending = false;
  if (flags & RDW_NOFRAME) w->ncPaintPending = false;
  if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
  if (!children) return;
  for (HWND c : w->children) {
    HRGN cr = ToChild(w, c, rgn);
    ValidateWindowRegion(c, cr, flags, true);
    DeleteObject(cr);
  }
}

void UpdateNow(HWND w, bool children) {
  if (!wm::Valid(w) || !wm::IsVisibleDeep(w)) return;
  wm::PaintNcAndErase(w, false);
  if (wm::Valid(w) && wm::NeedsPaint(w)) {
    wm::Send(w, WM_PAINT, 0, 0);
    if (wm::Valid(w) && wm::NeedsPaint(w) && !w->inPaint) {
      // Nothing painted: drop the request rather than repeating it.
      if (w->update) DeleteObject(w->update), w->update = nullptr;
      w->internalPaint = false;
    }
  }
  if (!children || !wm::Valid(w)) return;
  std::vector<HWND> kids = w->children;
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) UpdateNow(*it, true);
}

HRGN ClientRgnOf(HWND w) { return wm::RectRgn(w->client); }

// Screen composition: the framebuffer gets every visible top-level window, back to front.
void ComposeInto(TSurface& s) {
  RECT sr = wm::ScreenRect();
  if (s.Width() != sr.Width() || s.Height() != sr.Height()) s.Resize(sr.Width(), sr.Height());
  s.Fill(ColorRefToPixel(GetSysColor(COLOR_BACKGROUND)));
  std::vector<HWND> tops = wm::Desktop()->children;
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    HWND t = *it;
    if (!(t->style & WS_VISIBLE) || !t->surface) continue;
    for (int y = 0; y < t->surface->Height(); ++y) {
      int sy = t->rect.Top + y - sr.Top;
      if (sy < 0 || sy >= s.Height()) continue;
      for (int x = 0; x < t->surface->Width(); ++x) {
        int sx = t->rect.Left + x - sr.Left;
        if (sx < 0 || sx >= s.Width()) continue;
        if (t->windowRgn && !PtInRegion(t->windowRgn, x, y)) continue;
        s.At(sx, sy) = t->surface->At(x, y);
      }
    }
  }
}

void CopySurface(const TSurface& from, TSurface& to) {
  if (to.Width() != from.Width() || to.Height() != from.Height()) to.Resize(from.Width(), from.Height());
  for (int y = 0; y < from.Height(); ++y) memcpy(to.Row(y), from.Row(y), size_t(from.Width()) * 4);
}

bool SameSurface(const TSurface& a, const TSurface& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (memcmp(a.Row(y), b.Row(y), size_t(a.Width()) * 4) != 0) return false;
  return true;
}

// Copies a window's changed pixels onto the framebuffer where no window above covers them.
void CopyToScreen(HWND top, const RECT& dirty) {
  TSurface& s = P().screen;
  RECT sr = wm::ScreenRect();
  if (s.Width() != sr.Width() || s.Height() != sr.Height()) {
    ComposeInto(s);
    return;
  }
  std::vector<RECT> above;
  for (HWND t : wm::Desktop()->children) {
    if (t == top) break;
    if ((t->style & WS_VISIBLE) && t->surface) above.push_back(t->rect);
  }
  for (int y = dirty.Top; y < dirty.Bottom; ++y) {
    int sy = top->rect.Top + y - sr.Top;
    if (y < 0 || y >= top->surface->Height() || sy < 0 || sy >= s.Height()) continue;
    for (int x = dirty.Left; x < dirty.Right; ++x) {
      int sx = top->rect.Left + x - sr.Left;
      if (x < 0 || x >= top->surface->Width() || sx < 0 || sx >= s.Width()) continue;
      if (top->windowRgn && !PtInRegion(top->windowRgn, x, y)) continue;
      POINT sp{top->rect.Left + x, top->rect.Top + y};
      bool covered = false;
      for (const RECT& a : above)
        if (a.Contains(sp)) { covered = true; break; }
      if (!covered) s.At(sx, sy) = top->surface->At(x, y);
    }
  }
}

}  // namespace

namespace wm {

HRGN RectRgn(const RECT& r) { return CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom); }
HRGN EmptyRgn() { return CreateRectRgn(0, 0, 0, 0); }
bool RgnEmpty(HRGN r) {
  RECT b;
  return !r || GetRgnBox(r, &b) == NULLREGION;
}

HRGN VisibleRegion(HWND w, bool clientOnly, bool clipChildren) {
  if (!Valid(w) || !IsVisibleDeep(w) || w->messageOnly) return EmptyRgn();
  HWND top = TopLevelOf(w);
  POINT o = OriginInTop(w);
  RECT r = clientOnly ? w->client : WindowBox(w);
  OffsetRect(&r, o.X, o.Y);
  HRGN rgn = RectRgn(r);
  ClipToWindowRgn(rgn, w, o.X, o.Y);
  // Up the tree: inside each parent's client area, below the siblings in front.
  for (HWND p = w; p != top && p->parent; p = p->parent) {
    HWND parent = p->parent;
    POINT po = OriginInTop(parent);
    RECT pc = parent->client;
    OffsetRect(&pc, po.X, po.Y);
    HRGN prgn = RectRgn(pc);
    CombineRgn(rgn, rgn, prgn, RGN_AND);
    DeleteObject(prgn);
    for (HWND s : parent->children) {
      if (s == p) break;
      if (!(s->style & WS_VISIBLE)) continue;
      RECT sr = s->rect;
      OffsetRect(&sr, pc.Left, pc.Top);
      HRGN srgn = RectRgn(sr);
      ClipToWindowRgn(srgn, s, sr.Left, sr.Top);
      CombineRgn(rgn, rgn, srgn, RGN_DIFF);
      DeleteObject(srgn);
    }
  }
  if (top->windowRgn && top != w) CombineRgn(rgn, rgn, top->windowRgn, RGN_AND);
  if (clipChildren) {
    RECT cc = w->client;
    OffsetRect(&cc, o.X, o.Y);
    for (HWND c : w->children) {
      if (!(c->style & WS_VISIBLE)) continue;
      RECT cr = c->rect;
      OffsetRect(&cr, cc.Left, cc.Top);
      HRGN crgn = RectRgn(cr);
      // A child with a window region covers only that region: the parent paints the rest.
      ClipToWindowRgn(crgn, c, cr.Left, cr.Top);
      CombineRgn(rgn, rgn, crgn, RGN_DIFF);
      DeleteObject(crgn);
    }
  }
  return rgn;
}

void InvalidateWindowRegion(HWND w, HRGN rgnInWindow, bool erase, bool frame, bool children,
                            bool childFrames) {
  if (!Valid(w) || w->messageOnly || w->isDesktop || !IsVisibleDeep(w)) return;
  HRGN r = EmptyRgn();
  HRGN box = RectRgn(frame ? WindowBox(w) : w->client);
  CombineRgn(r, rgnInWindow, box, RGN_AND);
  DeleteObject(box);
  if (!RgnEmpty(r)) {
    if (frame) {
      HRGN nc = RectRgn(WindowBox(w));
      HRGN cl = ClientRgnOf(w);
      CombineRgn(nc, nc, cl, RGN_DIFF);
      CombineRgn(nc, nc, r, RGN_AND);
      if (!RgnEmpty(nc)) w->ncPaintPending = true;
      DeleteObject(nc);
      DeleteObject(cl);
    }
    HRGN inClient = EmptyRgn();
    HRGN cl = ClientRgnOf(w);
    CombineRgn(inClient, r, cl, RGN_AND);
    DeleteObject(cl);
    if (!RgnEmpty(inClient)) {
      if (!w->update) w->update = EmptyRgn();
      CombineRgn(w->update, w->update, inClient, RGN_OR);
      if (erase) w->erasePending = true;
    }
    DeleteObject(inClient);
    if (children) {
      for (HWND c : w->children) {
        if (!(c->style & WS_VISIBLE)) continue;
        HRGN cr = ToChild(w, c, r);
        if (!RgnEmpty(cr)) {
          InvalidateWindowRegion(c, cr, erase, frame || childFrames, true, childFrames);
        }
        DeleteObject(cr);
      }
    }
  }
  DeleteObject(r);
}

bool NeedsPaint(HWND w) {
  if (!IsVisibleDeep(w) || w->messageOnly) return false;
  return (w->update && !RgnEmpty(w->update)) || w->internalPaint || w->ncPaintPending;
}

namespace {
HWND FindPaintDeep(HWND w) {
  if (!(w->style & WS_VISIBLE)) return nullptr;
  if (NeedsPaint(w) && !w->inPaint) return w;
  for (HWND c : w->children)
    if (HWND r = FindPaintDeep(c)) return r;
  return nullptr;
}
}  // namespace

HWND FindWindowToPaint(HWND filter) {
  if (filter) {
    HWND f = Valid(filter);
    return (f && NeedsPaint(f) && !f->inPaint) ? f : nullptr;
  }
  for (HWND t : Desktop()->children)
    if (HWND r = FindPaintDeep(t)) return r;
  return nullptr;
}

void EnsureSurface(HWND top) {
  if (!top || top->isDesktop || top->messageOnly) return;
  int w = top->rect.Width(), h = top->rect.Height();
  if (!top->surface) {
    top->surface = std::make_unique<TSurface>(w, h);
    top->surface->Fill(ColorRefToPixel(GetSysColor(COLOR_BTNFACE)));
  } else if (top->surface->Width() != w || top->surface->Height() != h) {
    top->surface->Resize(w, h);
  }
}

void MarkDirty(HWND top, const RECT& r) {
  if (!top || !top->surface) return;
  RECT b{0, 0, top->surface->Width(), top->surface->Height()};
  RECT d;
  if (!IntersectRect(&d, &r, &b)) return;
  if (top->presentPending)
    UnionRect(&top->dirty, &top->dirty, &d);
  else
    top->dirty = d;
  top->presentPending = true;
}

void PresentWindow(HWND top) {
  if (!top->presentPending || !top->surface) return;
  top->presentPending = false;
  if (!(top->style & WS_VISIBLE)) return;
  CopyToScreen(top, top->dirty);
  if (!top->hasNative || !Backend()) return;
  RECT sr = ScreenRect();
  RECT inter;
  IntersectRect(&inter, &top->rect, &sr);
  if (P().overlayActive && inter == top->rect) {
    RECT src = top->rect;
    OffsetRect(&src, -sr.Left, -sr.Top);
    Backend()->Present(top, P().screen, src, top->dirty);
  } else {
    Backend()->Present(top, *top->surface, WindowBox(top), top->dirty);
  }
}

void PresentPending() {
  std::vector<HWND> tops = Desktop()->children;
  for (auto it = tops.rbegin(); it != tops.rend(); ++it)
    if (Valid(*it)) PresentWindow(*it);
}

void PaintNcAndErase(HWND w, bool children) {
  if (!Valid(w) || !IsVisibleDeep(w)) return;
  if (w->ncPaintPending) {
    w->ncPaintPending = false;
    Send(w, WM_NCPAINT, 1, 0);
    if (!Valid(w)) return;
  }
  if (w->erasePending && w->update) {
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(clip, w->update, nullptr, RGN_COPY);
    OffsetRgn(clip, -w->client.Left, -w->client.Top);
    HDC dc = GetDCEx(w, clip, DCX_INTERSECTRGN | DCX_CACHE);
    if (dc) {
      if (Send(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) && Valid(w)) w->erasePending = false;
      ReleaseDC(w, dc);
    }
    if (!Valid(w)) return;
  }
  if (!children) return;
  std::vector<HWND> kids = w->children;
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) PaintNcAndErase(*it, true);
}

TSurface& ScreenBuffer() {
  RECT sr = ScreenRect();
  if (P().screen.Width() != sr.Width() || P().screen.Height() != sr.Height()) ComposeInto(P().screen);
  return P().screen;
}

void RecomposeScreen() {
  if (P().screenDcs > 0) return;
  PresentPending();
  ComposeInto(P().screen);
  P().overlayActive = false;
}

bool ScreenOverlayActive() { return P().overlayActive; }

}  // namespace wm

// ---- update regions ------------------------------------------------------------------------

BOOL RedrawWindow(HWND wnd, const RECT* r, HRGN rgn, UINT flags) {
  HWND w = wnd ? wm::Valid(wnd) : wm::Desktop();
  if (!w) return FALSE;
  if (w->isDesktop) {
    std::vector<HWND> tops = w->children;
    for (HWND t : tops)
      if (wm::Valid(t)) RedrawWindow(t, nullptr, nullptr, flags | RDW_ALLCHILDREN);
    return TRUE;
  }
  HRGN area;
  if (rgn) {
    area = wm::EmptyRgn();
    CombineRgn(area, rgn, nullptr, RGN_COPY);
    OffsetRgn(area, w->client.Left, w->client.Top);
  } else if (r) {
    RECT rr = *r;
    OffsetRect(&rr, w->client.Left, w->client.Top);
    area = wm::RectRgn(rr);
  } else {
    area = wm::RectRgn((flags & RDW_FRAME) ? RECT{0, 0, w->rect.Width(), w->rect.Height()} : w->client);
  }
  bool children = ChildrenFollow(w, flags);
  if (flags & RDW_INVALIDATE)
    wm::InvalidateWindowRegion(w, area, (flags & RDW_ERASE) != 0, (flags & RDW_FRAME) != 0, children);
  if ((flags & RDW_INTERNALPAINT) && wm::IsVisibleDeep(w)) w->internalPaint = true;
  if (flags & RDW_VALIDATE) ValidateWindowRegion(w, area, flags, children);
  DeleteObject(area);
  if (flags & RDW_UPDATENOW)
    UpdateNow(w, children);
  else if (flags & RDW_ERASENOW)
    wm::PaintNcAndErase(w, children);
  return TRUE;
}

BOOL InvalidateRect(HWND wnd, const RECT* r, BOOL erase) {
  if (!wnd) return RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return RedrawWindow(wnd, r, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND wnd, HRGN rgn, BOOL erase) {
  return RedrawWindow(wnd, nullptr, rgn, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND wnd, const RECT* r) {
  return RedrawWindow(wnd, r, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND wnd, HRGN rgn) {
  return RedrawWindow(wnd, nullptr, rgn, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL GetUpdateRect(HWND wnd, RECT* r, BOOL erase) {
  HWND w = wm::Valid(wnd);
  if (!w) return FALSE;
  RECT box{0, 0, 0, 0};
  if (w->update) {
    GetRgnBox(w->update, &box);
    OffsetRect(&box, -w->client.Left, -w->client.Top);
  }
  if (erase && w->erasePending) wm::PaintNcAndErase(w, false);
  if (r) *r = box;
  return !box.IsEmpty();
}

int GetUpdateRgn(HWND wnd, HRGN rgn, BOOL erase) {
  HWND w = wm::Valid(wnd);
  if (!w || !rgn) return ERROR;
  int kind;
  if (w->update) {
    kind = CombineRgn(rgn, w->update, nullptr, RGN_COPY);
    OffsetRgn(rgn, -w->client.Left, -w->client.Top);
  } else {
    SetRectRgn(rgn, 0, 0, 0, 0);
    kind = NULLREGION;
  }
  if (erase && w->erasePending) wm::PaintNcAndErase(w, false);
  return kind;
}

BOOL UpdateWindow(HWND wnd) {
  HWND w = wm::Valid(wnd);
  if (!w) return FALSE;
  UpdateNow(w, true);
  return TRUE;
}

BOOL LockWindowUpdate(HWND wnd) {
  if (wnd && P().lockedWindow && wm::Valid(P().lockedWindow)) return FALSE;
  P().lockedWindow = wm::Valid(wnd);
  return TRUE;
}

HDC BeginPaint(HWND wnd, PAINTSTRUCT* ps) {
  HWND w = wm::Valid(wnd);
  if (!w || !ps) return nullptr;
  *ps = PAINTSTRUCT{};
  wm::CaretHideForPaint(w);
  if (w->ncPaintPending) {
    w->ncPaintPending = false;
    wm::Send(w, WM_NCPAINT, 1, 0);
    if (!wm::Valid(w)) return nullptr;
  }
  HRGN upd = w->update ? w->update : wm::EmptyRgn();
  w->update = nullptr;
  w->internalPaint = false;
  bool erase = w->erasePending;
  w->erasePending = false;
  HRGN clip = wm::EmptyRgn();
  CombineRgn(clip, upd, nullptr, RGN_COPY);
  OffsetRgn(clip, -w->client.Left, -w->client.Top);
  DeleteObject(upd);
  RECT box;
  GetRgnBox(clip, &box);
  RECT cr{0, 0, w->client.Width(), w->client.Height()};
  IntersectRect(&ps->rcPaint, &box, &cr);
  HDC dc = GetDCEx(w, clip, DCX_INTERSECTRGN | DCX_CACHE);
  ps->hdc = dc;
  w->inPaint = true;
  if (erase && dc) {
    ps->fErase = wm::Send(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
  }
  return dc;
}

BOOL EndPaint(HWND wnd, const PAINTSTRUCT* ps) {
  HWND w = wm::Valid(wnd);
  if (ps && ps->hdc) ReleaseDC(wnd, ps->hdc);
  if (!w) return FALSE;
  w->inPaint = false;
  wm::CaretRestoreAfterPaint(w);
  return TRUE;
}

// ---- device contexts -----------------------------------------------------------------------

HDC GetDCEx(HWND wnd, HRGN clip, DWORD flags) {
  if (!wnd || wnd == wm::Desktop()) {
    // What is drawn on the screen goes over the windows as they are now: bring the
    // framebuffer up to date first (also while another screen DC is held, as a measuring
    // canvas may be for long), so that ReleaseDC sees only what was drawn here.
    wm::PresentPending();
    TSurface& s = wm::ScreenBuffer();
    if (P().screenDcs == 0) CopySurface(s, P().screenBefore);
    HDC dc = CreateSurfaceDC(&s, POINT{0, 0}, nullptr);
    if (dc) {
      ++P().screenDcs;
      P().dcs[dc] = TDcInfo{nullptr, nullptr, wm::ScreenRect()};
    }
    if (clip) DeleteObject(clip);
    return dc;
  }
  HWND w = wm::Valid(wnd);
  if (!w) return nullptr;
  HWND top = wm::TopLevelOf(w);
  if (top->isDesktop || top->messageOnly || w->messageOnly) {
    // Message-only windows have nothing to draw on: a DC that clips everything away.
    static TSurface nothing(1, 1);
    HRGN none = wm::EmptyRgn();
    HDC dc = CreateSurfaceDC(&nothing, POINT{0, 0}, none);
    DeleteObject(none);
    if (dc) P().dcs[dc] = TDcInfo{w, nullptr, RECT{}};
    if (clip) DeleteObject(clip);
    return dc;
  }
  wm::EnsureSurface(top);
  bool window = (flags & DCX_WINDOW) != 0;
  bool clipChildren = (flags & DCX_CLIPCHILDREN) || (w->style & WS_CLIPCHILDREN);
  HRGN vis = wm::VisibleRegion(w, !window, clipChildren);
  if (P().lockedWindow && wm::Valid(P().lockedWindow) && (flags & DCX_LOCKWINDOWUPDATE) == 0 &&
      (w == P().lockedWindow || IsChild(P().lockedWindow, w)))
    SetRectRgn(vis, 0, 0, 0, 0);
  POINT o = wm::OriginInTop(w);
  if (!window) {
    o.X += w->client.Left;
    o.Y += w->client.Top;
  }
  if (clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
    HRGN c = wm::EmptyRgn();
    CombineRgn(c, clip, nullptr, RGN_COPY);
    OffsetRgn(c, o.X, o.Y);
    CombineRgn(vis, vis, c, (flags & DCX_INTERSECTRGN) ? RGN_AND : RGN_DIFF);
    DeleteObject(c);
  }
  if (flags & (DCX_INTERSECTUPDATE | DCX_EXCLUDEUPDATE)) {
    HRGN u = wm::EmptyRgn();
    if (w->update) {
      CombineRgn(u, w->update, nullptr, RGN_COPY);
      POINT wo = wm::OriginInTop(w);
      OffsetRgn(u, wo.X, wo.Y);
    }
    CombineRgn(vis, vis, u, (flags & DCX_INTERSECTUPDATE) ? RGN_AND : RGN_DIFF);
    DeleteObject(u);
  }
  if (clip) DeleteObject(clip);
  HDC dc = CreateSurfaceDC(top->surface.get(), o, vis);
  RECT bounds;
  GetRgnBox(vis, &bounds);
  DeleteObject(vis);
  if (dc) P().dcs[dc] = TDcInfo{w, top, bounds};
  return dc;
}

HDC GetDC(HWND wnd) { return GetDCEx(wnd, nullptr, DCX_CACHE); }

HDC GetWindowDC(HWND wnd) { return GetDCEx(wnd, nullptr, DCX_WINDOW | DCX_CACHE); }

int ReleaseDC(HWND, HDC dc) {
  auto& dcs = P().dcs;
  auto it = dcs.find(dc);
  if (it == dcs.end()) return 0;
  TDcInfo info = it->second;
  dcs.erase(it);
  DeleteDC(dc);
  if (!info.wnd && !info.top) {
    // The screen: something may now lie over the windows until it is drawn away again.
    if (--P().screenDcs == 0) {
      // A DC taken only to measure text draws nothing: the windows and the screen stay as
      // they were (windows painted meanwhile are shown the usual way).
      if (SameSurface(P().screen, P().screenBefore)) return 1;
      // Windows painted while the screen was held: their newer pixels go on top.
      for (HWND t : wm::Desktop()->children)
        if (t->presentPending && t->surface && (t->style & WS_VISIBLE)) CopyToScreen(t, t->dirty);
      TSurface composed;
      ComposeInto(composed);
      TSurface& s = P().screen;
      bool same = composed.Width() == s.Width() && composed.Height() == s.Height();
      for (int y = 0; same && y < s.Height(); ++y)
        same = memcmp(composed.Row(y), s.Row(y), size_t(s.Width()) * 4) == 0;
      bool wasActive = P().overlayActive;
      P().overlayActive = !same;
      if (P().overlayActive || wasActive) {
        for (HWND t : wm::Desktop()->children) {
          if (!(t->style & WS_VISIBLE) || !t->surface) continue;
          wm::MarkDirty(t, RECT{0, 0, t->rect.Width(), t->rect.Height()});
          if (!P().overlayActive) continue;
        }
        // Present from the framebuffer without copying the backing stores over it.
        for (HWND t : wm::Desktop()->children) {
          if (!t->presentPending || !t->hasNative || !Backend()) { t->presentPending = false; continue; }
          t->presentPending = false;
          RECT sr = wm::ScreenRect();
          RECT inter;
          IntersectRect(&inter, &t->rect, &sr);
          RECT all{0, 0, t->rect.Width(), t->rect.Height()};
          if (inter == t->rect) {
            RECT src = t->rect;
            OffsetRect(&src, -sr.Left, -sr.Top);
            Backend()->Present(t, s, src, all);
          } else {
            Backend()->Present(t, *t->surface, all, all);
          }
        }
      }
    }
    return 1;
  }
  if (info.top && wm::Valid(info.top)) wm::MarkDirty(info.top, info.bounds);
  return 1;
}

HWND WindowFromDC(HDC dc) {
  auto it = P().dcs.find(dc);
  if (it == P().dcs.end()) return nullptr;
  return it->second.wnd ? it->second.wnd : wm::Desktop();
}

int ExcludeUpdateRgn(HDC dc, HWND wnd) {
  HWND w = wm::Valid(wnd);
  if (!w || !dc) return ERROR;
  if (w->update) {
    HRGN u = wm::EmptyRgn();
    CombineRgn(u, w->update, nullptr, RGN_COPY);
    OffsetRgn(u, -w->client.Left, -w->client.Top);
    ExtSelectClipRgn(dc, u, RGN_DIFF);
    DeleteObject(u);
  }
  RECT r;
  return GetClipBox(dc, &r);
}

// ---- scrolling -----------------------------------------------------------------------------

int ScrollWindowEx(HWND wnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update,
                   RECT* updateRect, UINT flags) {
  HWND w = wm::Valid(wnd);
  if (!w) return ERROR;
  RECT client{0, 0, w->client.Width(), w->client.Height()};
  RECT src = client;
  if (scroll) IntersectRect(&src, scroll, &client);
  RECT clipR = scroll ? src : client;
  if (clip) IntersectRect(&clipR, clip, &client);
  wm::CaretHideForPaint(w);
  HRGN A = wm::RectRgn(src);
  HRGN clipRgn = wm::RectRgn(clipR);
  CombineRgn(A, A, clipRgn, RGN_AND);
  // The visible part, in client coordinates.
  HRGN V = wm::VisibleRegion(w, true, (w->style & WS_CLIPCHILDREN) != 0);
  POINT o = wm::OriginInTop(w);
  o.X += w->client.Left;
  o.Y += w->client.Top;
  OffsetRgn(V, -o.X, -o.Y);
  HRGN validSrc = wm::EmptyRgn();
  CombineRgn(validSrc, A, V, RGN_AND);
  HRGN moved = wm::EmptyRgn();
  CombineRgn(moved, validSrc, nullptr, RGN_COPY);
  OffsetRgn(moved, dx, dy);
  CombineRgn(moved, moved, clipRgn, RGN_AND);
  CombineRgn(moved, moved, V, RGN_AND);
  // Move the pixels: read every source pixel first, then write the destinations.
  HWND top = wm::TopLevelOf(w);
  if (top->surface && !wm::RgnEmpty(moved)) {
    TSurface& s = *top->surface;
    std::vector<RECT> rects;
    GetRgnRects(moved, rects);
    std::vector<std::vector<uint32_t>> saved;
    for (const RECT& r : rects) {
      std::vector<uint32_t> px;
      px.reserve(size_t(r.Width()) * size_t(r.Height()));
      for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
          int sx = x - dx + o.X, sy = y - dy + o.Y;
          px.push_back(sx >= 0 && sy >= 0 && sx < s.Width() && sy < s.Height() ? s.At(sx, sy) : 0);
        }
      saved.push_back(std::move(px));
    }
    for (size_t i = 0; i < rects.size(); ++i) {
      const RECT& r = rects[i];
      size_t k = 0;
      for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x, ++k) {
          int tx = x + o.X, ty = y + o.Y;
          if (tx >= 0 && ty >= 0 && tx < s.Width() && ty < s.Height()) s.At(tx, ty) = saved[i][k];
        }
    }
    RECT box;
    GetRgnBox(moved, &box);
    OffsetRect(&box, o.X, o.Y);
    wm::MarkDirty(top, box);
  }
  // The pending update region inside the scrolled area moves along.
  if (w->update) {
    HRGN Aw = wm::EmptyRgn();
    CombineRgn(Aw, A, nullptr, RGN_COPY);
    OffsetRgn(Aw, w->client.Left, w->client.Top);
    HRGN inside = wm::EmptyRgn();
    CombineRgn(inside, w->update, Aw, RGN_AND);
    CombineRgn(w->update, w->update, Aw, RGN_DIFF);
    OffsetRgn(inside, dx, dy);
    HRGN cw = wm::EmptyRgn();
    CombineRgn(cw, clipRgn, nullptr, RGN_COPY);
    OffsetRgn(cw, w->client.Left, w->client.Top);
    CombineRgn(inside, inside, cw, RGN_AND);
    CombineRgn(w->update, w->update, inside, RGN_OR);
    DeleteObject(inside);
    DeleteObject(cw);
    DeleteObject(Aw);
  }
  HRGN invalid = wm::EmptyRgn();
  CombineRgn(invalid, validSrc, moved, RGN_DIFF);
  // Parts of the area whose pixels came from hidden places are invalid too.
  HRGN hiddenDest = wm::EmptyRgn();
  CombineRgn(hiddenDest, A, V, RGN_AND);
  CombineRgn(hiddenDest, hiddenDest, moved, RGN_DIFF);
  CombineRgn(invalid, invalid, hiddenDest, RGN_OR);
  DeleteObject(hiddenDest);
  int kind;
  RECT box;
  kind = GetRgnBox(invalid, &box);
  if (update) CombineRgn(update, invalid, nullptr, RGN_COPY);
  if (updateRect) *updateRect = box;
  if (flags & SW_SCROLLCHILDREN) {
    std::vector<HWND> kids = w->children;
    for (HWND c : kids) {
      RECT inter;
      if (wm::Valid(c) && IntersectRect(&inter, &c->rect, &src))
        SetWindowPos(c, nullptr, c->rect.Left + dx, c->rect.Top + dy, 0, 0,
                     SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  if ((flags & SW_INVALIDATE) && wm::Valid(w)) {
    HRGN iw = wm::EmptyRgn();
    CombineRgn(iw, invalid, nullptr, RGN_COPY);
    OffsetRgn(iw, w->client.Left, w->client.Top);
    wm::InvalidateWindowRegion(w, iw, (flags & SW_ERASE) != 0, false,
                               (flags & SW_SCROLLCHILDREN) != 0);
    DeleteObject(iw);
  }
  DeleteObject(invalid);
  DeleteObject(moved);
  DeleteObject(validSrc);
  DeleteObject(V);
  DeleteObject(clipRgn);
  DeleteObject(A);
  if (wm::Valid(w)) wm::CaretRestoreAfterPaint(w);
  return kind;
}

BOOL ScrollWindow(HWND wnd, int dx, int dy, const RECT* scroll, const RECT* clip) {
  return ScrollWindowEx(wnd, dx, dy, scroll, clip, nullptr, nullptr, SW_INVALIDATE | SW_ERASE) != ERROR;
}

BOOL PrintWindow(HWND wnd, HDC dc, UINT) {
  HWND w = wm::Valid(wnd);
  if (!w || !dc) return FALSE;
  wm::Send(w, WM_PRINT, reinterpret_cast<WPARAM>(dc),
           PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
  return TRUE;
}
