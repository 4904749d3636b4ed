// 3-D edges, frame controls (buttons, scroll arrows and grips, caption buttons, menu
// glyphs) and the focus rectangle, in the classic system colours.
#include <algorithm>

#include "gdi/GdiInternal.h"

using namespace gdi;

namespace {
void Fill(HDC__* dc, int l, int t, int r, int b, int sysColor) {
  if (r > l && b > t) FillSolid(dc, RECT(l, t, r, b), GetSysColor(sysColor));
}
void Dot(HDC__* dc, int x, int y, int sysColor) { Fill(dc, x, y, x + 1, y + 1, sysColor); }

// One ring of an edge: top and left in tl, bottom and right in br, on the flagged sides.
void Ring(HDC__* dc, const RECT& r, UINT flags, int tl, int br) {
  if (flags & BF_LEFT) Fill(dc, r.Left, r.Top, r.Left + 1, r.Bottom - ((flags & BF_BOTTOM) ? 1 : 0), tl);
  if (flags & BF_TOP) Fill(dc, r.Left, r.Top, r.Right - ((flags & BF_RIGHT) ? 1 : 0), r.Top + 1, tl);
  if (flags & BF_BOTTOM) Fill(dc, r.Left, r.Bottom - 1, r.Right, r.Bottom, br);
  if (flags & BF_RIGHT) Fill(dc, r.Right - 1, r.Top, r.Right, r.Bottom, br);
}

void Deflate(RECT& r, UINT flags) {
  if (flags & BF_LEFT) ++r.Left;
  if (flags & BF_TOP) ++r.Top;
  if (flags & BF_RIGHT) --r.Right;
  if (flags & BF_BOTTOM) --r.Bottom;
}
}  // namespace

BOOL DrawEdge(HDC hdc, RECT* rc, UINT edge, UINT flags) {
  HDC__* dc = Dc(hdc);
  if (!dc || !rc) return FALSE;
  RECT r = *rc;
  UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
  bool soft = flags & BF_SOFT;
  auto colours = [&](bool isOuter, UINT bits, int& tl, int& br) {
    if (flags & BF_MONO) {
      tl = br = isOuter ? COLOR_WINDOWFRAME : COLOR_WINDOW;
    } else if (flags & BF_FLAT) {
      tl = br = isOuter ? COLOR_BTNSHADOW : COLOR_BTNFACE;
    } else if (isOuter) {
      if (bits & BDR_RAISEDOUTER) {
        tl = soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT;
        br = COLOR_3DDKSHADOW;
      } else {
        tl = soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW;
        br = COLOR_BTNHIGHLIGHT;
      }
    } else {
      if (bits & BDR_RAISEDINNER) {
        tl = soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT;
        br = COLOR_BTNSHADOW;
      } else {
        tl = soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW;
        br = COLOR_3DLIGHT;
      }
    }
  };
  if (flags & BF_DIAGONAL) {
    // A diagonal edge: a line from one corner to the opposite, in the outer colour.
    int tl, br;
    colours(true, outer ? outer : inner, tl, br);
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(br));
    HGDIOBJ old = SelectObject(hdc, pen);
    bool endTop = (flags & BF_TOP) != 0, endRight = (flags & BF_RIGHT) != 0;
    MoveToEx(hdc, endRight ? r.Left : r.Right - 1, endTop ? r.Bottom - 1 : r.Top, nullptr);
    LineTo(hdc, endRight ? r.Right : r.Left - 1, endTop ? r.Top - 1 : r.Bottom);
    SelectObject(hdc, old);
    DeleteObject(pen);
    return TRUE;
  }
  if (outer) {
    int tl, br;
    colours(true, outer, tl, br);
    Ring(dc, r, flags, tl, br);
    Deflate(r, flags);
  }
  if (inner) {
    int tl, br;
    colours(false, inner, tl, br);
    Ring(dc, r, flags, tl, br);
    Deflate(r, flags);
  }
  if (flags & BF_MIDDLE) Fill(dc, r.Left, r.Top, r.Right, r.Bottom, (flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
  if (flags & BF_ADJUST) *rc = r;
  return TRUE;
}

// The focus rectangle: a one-pixel frame XORed with a checkerboard, so that drawing it twice
// removes it.
BOOL DrawFocusRect(HDC hdc, const RECT* rc) {
  HDC__* dc = Dc(hdc);
  if (!dc || !rc || !Target(dc)) return FALSE;
  RECT s = ToSurface(dc, *rc);
  if (s.IsEmpty()) return TRUE;
  Region frame(s);
  frame.Subtract(Region(RECT(s.Left + 1, s.Top + 1, s.Right - 1, s.Bottom - 1)));
  // A checkerboard pattern fixed to the device origin, XORed in: its set squares with the
  // background colour, the others with the text colour (black by default: no change).
  Paint p;
  p.mode = Paint::Pattern;
  p.px = dc->origin.X;
  p.py = dc->origin.Y;
  uint32_t on = DevicePixel(dc, dc->s.bkColor), off = DevicePixel(dc, dc->s.textColor);
  for (int i = 0; i < 64; ++i) p.pat[i] = ((i >> 3) + (i & 7)) % 2 == 0 ? on : off;
  FillRegionClipped(dc, frame, p, R2_XORPEN);
  return TRUE;
}

namespace {

void CheckMark(HDC__* dc, int x, int y, int color) {
  static const int tops[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int i = 0; i < 7; ++i) Fill(dc, x + i, y + tops[i], x + i + 1, y + tops[i] + 3, color);
}

void Radio(HDC__* dc, const RECT& rc, UINT state) {
  int w = rc.Width(), h = rc.Height();
  int d = std::min(w, h) & ~1;
  if (d <= 0) return;
  int l = rc.Left + (w - d) / 2, t = rc.Top + (h - d) / 2;
  UINT kind = state & 0x7;
  if (kind == DFCS_BUTTONRADIOMASK) {
    // Mask: white around, black circle.
    FillSolid(dc, rc, 0xFFFFFF);
    Paint black;
    black.color = DevicePixel(dc, 0);
    RECT sr = ToSurface(dc, RECT(l, t, l + d, t + d));
    FillSpansClipped(dc, EllipseSpans(sr.Left, sr.Top, sr.Right, sr.Bottom), black, R2_COPYPEN);
    return;
  }
  RECT sr = ToSurface(dc, RECT(l, t, l + d, t + d));
  Region outer = SpansToRegion(EllipseSpans(sr.Left, sr.Top, sr.Right, sr.Bottom));
  Region in1 = outer.Inner();
  Region in2 = in1.Inner();
  Region ring1 = outer, ring2 = in1;
  ring1.Subtract(in1);
  ring2.Subtract(in2);
  bool flat = state & DFCS_FLAT, mono = state & DFCS_MONO;
  int body = (state & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_BTNFACE : COLOR_WINDOW;
  // Split a ring along the diagonal from the top-right to the bottom-left corner.
  auto half = [&](const Region& ring, bool upperLeft) {
    std::vector<RECT> rects;
    int n = 0;
    const pixman_box32_t* b = ring.Boxes(&n);
    for (int i = 0; i < n; ++i)
      for (int y = b[i].y1; y < b[i].y2; ++y)
        for (int x = b[i].x1; x < b[i].x2; ++x) {
          int rx = x - sr.Left, ry = y - sr.Top;
          bool ul = rx + ry < d - 1 || (rx + ry == d - 1 && rx <= d / 2 - 1);
          if (ul == upperLeft) rects.push_back({x, y, x + 1, y + 1});
        }
    Region r;
    r.SetRects(rects);
    return r;
  };
  auto paint = [&](const Region& r, int sys) {
    Paint p;
    p.color = DevicePixel(dc, GetSysColor(sys));
    FillRegionClipped(dc, r, p, R2_COPYPEN);
  };
  if (mono || flat) {
    paint(ring1, mono ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW);
    paint(ring2, body);
  } else {
    paint(half(ring1, true), COLOR_BTNSHADOW);
    paint(half(ring1, false), COLOR_BTNHIGHLIGHT);
    paint(half(ring2, true), COLOR_3DDKSHADOW);
    paint(half(ring2, false), COLOR_3DLIGHT);
  }
  paint(in2, body);
  if (state & DFCS_CHECKED) {
    int c = (state & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
    int x = l + d / 2 - 2, y = t + d / 2 - 2;
    Fill(dc, x + 1, y, x + 3, y + 4, c);
    Fill(dc, x, y + 1, x + 4, y + 3, c);
  }
}

void Button(HDC__* dc, HDC hdc, RECT* rc, UINT state) {
  UINT kind = state & 0x1F;
  if (kind == DFCS_BUTTONPUSH) {
    RECT r = *rc;
    if (state & DFCS_MONO) {
      DrawEdge(hdc, &r, BDR_OUTER, BF_RECT | BF_MONO | BF_MIDDLE | BF_ADJUST);
    } else if (state & DFCS_FLAT) {
      DrawEdge(hdc, &r, BDR_OUTER, BF_RECT | BF_FLAT | BF_MIDDLE | BF_ADJUST);
    } else if (state & DFCS_PUSHED) {
      // Pushed: a dark frame with the shadow inside it.
      Fill(dc, r.Left, r.Top, r.Right, r.Bottom, COLOR_3DDKSHADOW);
      InflateRect(&r, -1, -1);
      Fill(dc, r.Left, r.Top, r.Right, r.Bottom, COLOR_BTNSHADOW);
      InflateRect(&r, -1, -1);
      Fill(dc, r.Left, r.Top, r.Right, r.Bottom, COLOR_BTNFACE);
    } else if (state & DFCS_CHECKED) {
      DrawEdge(hdc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
      Fill(dc, r.Left, r.Top, r.Right, r.Bottom, COLOR_BTNHIGHLIGHT);
    } else {
      DrawEdge(hdc, &r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE | BF_ADJUST);
    }
    if (state & DFCS_ADJUSTRECT) InflateRect(rc, -2, -2);
    return;
  }
  if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
    Radio(dc, *rc, (state & ~0x7u) | (kind & DFCS_BUTTONRADIOMASK ? DFCS_BUTTONRADIOMASK : 0));
    return;
  }
  // Check boxes (two- and three-state).
  int w = rc->Width(), h = rc->Height();
  int s = std::min(w, h);
  if (s <= 0) return;
  RECT box(rc->Left + (w - s) / 2, rc->Top + (h - s) / 2, 0, 0);
  box.Right = box.Left + s;
  box.Bottom = box.Top + s;
  RECT inner = box;
  if (state & DFCS_MONO)
    DrawEdge(hdc, &inner, BDR_OUTER, BF_RECT | BF_MONO | BF_ADJUST);
  else if (state & DFCS_FLAT)
    DrawEdge(hdc, &inner, BDR_OUTER, BF_RECT | BF_FLAT | BF_ADJUST);
  else
    DrawEdge(hdc, &inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  bool grey = (state & (DFCS_PUSHED | DFCS_INACTIVE)) || (kind == DFCS_BUTTON3STATE && (state & DFCS_CHECKED));
  Fill(dc, inner.Left, inner.Top, inner.Right, inner.Bottom, grey ? COLOR_BTNFACE : COLOR_WINDOW);
  if (state & DFCS_CHECKED) {
    int c = (state & DFCS_INACTIVE) || kind == DFCS_BUTTON3STATE ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
    CheckMark(dc, inner.Left + (inner.Width() - 7) / 2, inner.Top + (inner.Height() - 7) / 2, c);
  }
}

// A filled triangle pointing in dir (0 up, 1 down, 2 left, 3 right) centred in r.
void Arrow(HDC__* dc, const RECT& r, int dir, int color) {
  int s = std::min(r.Width(), r.Height());
  int n = std::max(1, (s + 1) / 4);  // rows of the triangle
  int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
  for (int i = 0; i < n; ++i) {
    int k = (dir == 0 || dir == 2) ? i : n - 1 - i;  // half width at this row
    if (dir <= 1) {
      int y = cy - n / 2 + i;
      Fill(dc, cx - k - 1 + 1, y, cx + k + 1, y + 1, color);
    } else {
      int x = cx - n / 2 + i;
      Fill(dc, x, cy - k, x + 1, cy + k + 1, color);
    }
  }
}

void ArrowGlyph(HDC__* dc, RECT r, int dir, UINT state) {
  if (state & DFCS_PUSHED) OffsetRect(&r, 1, 1);
  if (state & DFCS_INACTIVE) {
    RECT e = r;
    OffsetRect(&e, 1, 1);
    Arrow(dc, e, dir, COLOR_BTNHIGHLIGHT);
    Arrow(dc, r, dir, COLOR_BTNSHADOW);
  } else {
    Arrow(dc, r, dir, COLOR_BTNTEXT);
  }
}

void ButtonFace(HDC hdc, HDC__* dc, RECT r, UINT state) {
  if (state & DFCS_FLAT)
    DrawEdge(hdc, &r, BDR_OUTER, BF_RECT | BF_FLAT | BF_MIDDLE);
  else if (state & DFCS_PUSHED)
    DrawEdge(hdc, &r, BDR_SUNKENOUTER, BF_RECT | BF_FLAT | BF_MIDDLE);
  else
    DrawEdge(hdc, &r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);
}

void Scroll(HDC hdc, HDC__* dc, RECT* rc, UINT state) {
  UINT kind = state & 0x1F;
  if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
    RECT r = *rc;
    if (!(state & DFCS_TRANSPARENT)) Fill(dc, r.Left, r.Top, r.Right, r.Bottom, COLOR_BTNFACE);
    int s = std::min(r.Width(), r.Height());
    // Diagonal ridges from the bottom-right corner: highlight, two shadow lines, a gap.
    for (int d = 1; d < s; ++d) {
      int m = d % 4;
      if (m == 0) continue;
      int c = m == 1 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW;
      for (int i = 0; i < d; ++i) Dot(dc, r.Right - d + i, r.Bottom - 1 - i, c);
    }
    return;
  }
  ButtonFace(hdc, dc, *rc, state);
  int dir = kind == DFCS_SCROLLUP ? 0 : kind == DFCS_SCROLLLEFT ? 2 : kind == DFCS_SCROLLRIGHT ? 3 : 1;
  ArrowGlyph(dc, *rc, dir, state);
}

void Caption(HDC hdc, HDC__* dc, RECT* rc, UINT state) {
  ButtonFace(hdc, dc, *rc, state);
  RECT r = *rc;
  int s = std::max(3, std::min(r.Width(), r.Height()) - 8);
  int x = r.Left + (r.Width() - s) / 2, y = r.Top + (r.Height() - s) / 2;
  if (state & DFCS_PUSHED) {
    ++x;
    ++y;
  }
  auto glyph = [&](int gx, int gy, int c) {
    switch (state & 0x1F) {
      case DFCS_CAPTIONCLOSE:
        for (int i = 0; i < s; ++i) {
          Fill(dc, gx + i, gy + i, gx + i + 2, gy + i + 1, c);
          Fill(dc, gx + s - 1 - i, gy + i, gx + s + 1 - i, gy + i + 1, c);
        }
        break;
      case DFCS_CAPTIONMIN: Fill(dc, gx + 1, gy + s - 2, gx + s - 1, gy + s, c); break;
      case DFCS_CAPTIONMAX: {
        Fill(dc, gx, gy, gx + s, gy + 2, c);
        Fill(dc, gx, gy, gx + 1, gy + s, c);
        Fill(dc, gx + s - 1, gy, gx + s, gy + s, c);
        Fill(dc, gx, gy + s - 1, gx + s, gy + s, c);
        break;
      }
      case DFCS_CAPTIONRESTORE: {
        int k = s * 2 / 3;
        for (int o = 0; o < 2; ++o) {
          int bx = gx + (o ? 0 : s - k), by = gy + (o ? s - k : 0);
          Fill(dc, bx, by, bx + k, by + 2, c);
          Fill(dc, bx, by, bx + 1, by + k, c);
          Fill(dc, bx + k - 1, by, bx + k, by + k, c);
          Fill(dc, bx, by + k - 1, bx + k, by + k, c);
        }
        break;
      }
      case DFCS_CAPTIONHELP: {
        // A question mark: hook, stem, dot.
        Fill(dc, gx + 1, gy, gx + s - 1, gy + 2, c);
        Fill(dc, gx + s - 2, gy, gx + s, gy + s / 2, c);
        Fill(dc, gx + s / 2 - 1, gy + s / 2 - 1, gx + s - 1, gy + s / 2 + 1, c);
        Fill(dc, gx + s / 2 - 1, gy + s / 2, gx + s / 2 + 1, gy + s - 3, c);
        Fill(dc, gx + s / 2 - 1, gy + s - 2, gx + s / 2 + 1, gy + s, c);
        break;
      }
    }
  };
  if (state & DFCS_INACTIVE) {
    glyph(x + 1, y + 1, COLOR_BTNHIGHLIGHT);
    glyph(x, y, COLOR_BTNSHADOW);
  } else {
    glyph(x, y, COLOR_BTNTEXT);
  }
}

// Menu glyphs: black on white, as masks.
void Menu(HDC__* dc, RECT* rc, UINT state) {
  RECT r = *rc;
  FillSolid(dc, r, 0xFFFFFF);
  int s = std::min(r.Width(), r.Height());
  int x = r.Left + (r.Width() - s) / 2, y = r.Top + (r.Height() - s) / 2;
  switch (state & 0x1F) {
    case DFCS_MENUCHECK: CheckMark(dc, x + (s - 7) / 2, y + (s - 7) / 2, COLOR_WINDOWFRAME); break;
    case DFCS_MENUBULLET: {
      int k = std::max(2, s / 3);
      FillSolid(dc, RECT(x + (s - k) / 2, y + (s - k) / 2, x + (s + k) / 2, y + (s + k) / 2), 0);
      break;
    }
    default: Arrow(dc, r, 3, COLOR_WINDOWFRAME); break;
  }
}
}  // namespace

BOOL DrawFrameControl(HDC hdc, RECT* rc, UINT type, UINT state) {
  HDC__* dc = Dc(hdc);
  if (!dc || !rc) return FALSE;
  switch (type) {
    case DFC_BUTTON: Button(dc, hdc, rc, state); return TRUE;
    case DFC_SCROLL: Scroll(hdc, dc, rc, state); return TRUE;
    case DFC_CAPTION: Caption(hdc, dc, rc, state); return TRUE;
    case DFC_MENU:
    case DFC_POPUPMENU: Menu(dc, rc, state); return TRUE;
    default: return FALSE;
  }
}

HBITMAP LoadSystemBitmap(int id) {
  if (id != OBM_CHECKBOXES) return nullptr;
  const int cell = 13;
  HBITMAP bmp = CreateBitmap(4 * cell, 3 * cell, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT all(0, 0, 4 * cell, 3 * cell);
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  const UINT kinds[3] = {DFCS_BUTTONCHECK, DFCS_BUTTONRADIO, DFCS_BUTTON3STATE};
  const UINT states[4] = {0, DFCS_CHECKED, DFCS_PUSHED, DFCS_PUSHED | DFCS_CHECKED};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col) {
      RECT r(col * cell, row * cell, (col + 1) * cell, (row + 1) * cell);
      DrawFrameControl(dc, &r, DFC_BUTTON, kinds[row] | states[col]);
    }
  SelectObject(dc, old);
  DeleteDC(dc);
  return bmp;
}
