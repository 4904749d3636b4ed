// Device-context state: colours and modes, origins, saved states, clipping, and the raster
// core that every drawing call ends in (paint sources, ROP2 and ROP3, clipped fills).
#include <algorithm>
#include <cstring>
#include <cwchar>

#include "gdi/GdiInternal.h"

namespace gdi {
void RefState(DcState& s);
void UnrefState(DcState& s);

TSurface* Target(HDC__* dc) {
  if (dc->memory) return dc->s.bitmap ? &dc->s.bitmap->surface : nullptr;
  return dc->surface;
}

bool IsMono(HDC__* dc) { return dc->memory && dc->s.bitmap && dc->s.bitmap->bpp == 1; }

void InvalidateClip(HDC__* dc) { dc->clipValid = false; }

const Region& EffectiveClip(HDC__* dc) {
  TSurface* s = Target(dc);
  int w = s ? s->Width() : 0, h = s ? s->Height() : 0;
  if (!dc->clipValid || w != dc->clipW || h != dc->clipH) {
    dc->effClip.SetRect(RECT(0, 0, w, h));
    if (dc->hasSystemClip) dc->effClip.Intersect(dc->systemClip);
    if (dc->s.hasClip) {
      Region c = dc->s.clip;
      c.Offset(dc->origin.X, dc->origin.Y);
      dc->effClip.Intersect(c);
    }
    dc->clipW = w;
    dc->clipH = h;
    dc->clipValid = true;
  }
  return dc->effClip;
}

RECT ToSurface(HDC__* dc, RECT r) {
  RECT o(SX(dc, std::min(r.Left, r.Right)), SY(dc, std::min(r.Top, r.Bottom)),
         SX(dc, std::max(r.Left, r.Right)), SY(dc, std::max(r.Top, r.Bottom)));
  return o;
}

uint32_t DevicePixel(HDC__* dc, COLORREF c) {
  c &= 0xFFFFFF;
  if (IsMono(dc)) return GetRValue(c) + GetGValue(c) + GetBValue(c) >= 384 ? 0xFFFFFF : 0;
  return ColorRefToPixel(c);
}

namespace {
uint32_t MonoOf(uint32_t pixel) {
  int sum = int((pixel >> 16) & 0xFF) + int((pixel >> 8) & 0xFF) + int(pixel & 0xFF);
  return sum >= 384 ? 0xFFFFFF : 0;
}

// Hatch patterns: lines run through the brush origin.
bool HatchBit(int hatch, int x, int y) {
  switch (hatch) {
    case HS_HORIZONTAL: return y == 0;
    case HS_VERTICAL: return x == 0;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x + y == 7;
    case HS_CROSS: return x == 0 || y == 0;
    case HS_DIAGCROSS: return x == y || x + y == 7;
  }
  return false;
}
}  // namespace

Paint PenPaint(HDC__* dc) {
  Paint p;
  HPEN__* pen = dc->s.pen;
  if (!pen || (pen->style & PS_STYLE_MASK) == PS_NULL) {
    p.none = true;
    return p;
  }
  p.color = DevicePixel(dc, pen->dcPen ? dc->s.dcPenColor : pen->color);
  return p;
}

Paint BrushPaint(HDC__* dc, HBRUSH__* b) {
  Paint p;
  if (!b || b->style == BS_NULL) {
    p.none = true;
    return p;
  }
  p.px = dc->s.brushOrg.X + dc->origin.X;
  p.py = dc->s.brushOrg.Y + dc->origin.Y;
  if (b->style == BS_SOLID) {
    COLORREF c = b->dcBrush ? dc->s.dcBrushColor : b->sysColor >= 0 ? GetSysColor(b->sysColor) : b->color;
    p.color = DevicePixel(dc, c);
    return p;
  }
  p.mode = Paint::Pattern;
  bool mono = IsMono(dc);
  if (b->style == BS_HATCHED) {
    uint32_t fg = DevicePixel(dc, b->color), bg = DevicePixel(dc, dc->s.bkColor);
    p.opaque = 0;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        int i = y * 8 + x;
        bool line = HatchBit(b->hatch, x, y);
        p.pat[i] = line ? fg : bg;
        if (line || dc->s.bkMode == OPAQUE) p.opaque |= uint64_t(1) << i;
      }
    return p;
  }
  // Pattern brushes: monochrome bits take the text (0) and background (1) colours.
  uint32_t fg = DevicePixel(dc, dc->s.textColor), bg = DevicePixel(dc, dc->s.bkColor);
  for (int i = 0; i < 64; ++i) {
    uint32_t v = b->pattern[i];
    if (b->mono)
      p.pat[i] = v ? bg : fg;
    else
      p.pat[i] = mono ? MonoOf(v) : v;
  }
  return p;
}

uint32_t Rop2(int rop2, uint32_t P, uint32_t D) {
  switch (rop2) {
    case R2_COPYPEN: return P;
    case R2_XORPEN: return P ^ D;
    case R2_NOT: return ~D;
    case R2_NOP: return D;
    case R2_BLACK: return 0;
    case R2_WHITE: return 0xFFFFFFFF;
    default: break;
  }
  // Bit i of (rop2 - 1) is the result for pen bit P and destination bit D with i = 2P + D.
  uint32_t t = uint32_t(rop2 - 1) & 0xF, r = 0;
  if (t & 1) r |= ~P & ~D;
  if (t & 2) r |= ~P & D;
  if (t & 4) r |= P & ~D;
  if (t & 8) r |= P & D;
  return r;
}

uint32_t Rop3(uint8_t t, uint32_t P, uint32_t S, uint32_t D) {
  // Bit i of the index byte is the result for i = 4P + 2S + D.
  uint32_t r = 0;
  if (t & 0x01) r |= ~P & ~S & ~D;
  if (t & 0x02) r |= ~P & ~S & D;
  if (t & 0x04) r |= ~P & S & ~D;
  if (t & 0x08) r |= ~P & S & D;
  if (t & 0x10) r |= P & ~S & ~D;
  if (t & 0x20) r |= P & ~S & D;
  if (t & 0x40) r |= P & S & ~D;
  if (t & 0x80) r |= P & S & D;
  return r;
}

// Fills count pixels: through the C library's wide-character fill where wchar_t is 32 bits,
// which uses the widest stores the processor has.
void FillPixels(uint32_t* d, size_t count, uint32_t v) {
  if constexpr (sizeof(wchar_t) == 4) {
    wchar_t w;
    std::memcpy(&w, &v, 4);
    std::wmemset(reinterpret_cast<wchar_t*>(d), w, count);
  } else {
    std::fill(d, d + count, v);
  }
}

void FillRegionRop2(TSurface* s, const Region& rgn, const Paint& p, int rop2) {
  if (!s || p.none || rop2 == R2_NOP) return;
  int n = 0;
  const pixman_box32_t* boxes = rgn.Boxes(&n);
  for (int i = 0; i < n; ++i) {
    const pixman_box32_t& b = boxes[i];
    if (p.mode == Paint::Solid && rop2 == R2_COPYPEN && b.x1 == 0 && b.x2 == s->Width() &&
        s->Stride() == s->Width()) {
      // Whole rows of contiguous memory: one block.
      FillPixels(s->Row(b.y1), size_t(b.y2 - b.y1) * size_t(b.x2), p.color);
      continue;
    }
    for (int y = b.y1; y < b.y2; ++y) {
      uint32_t* row = s->Row(y);
      if (p.mode == Paint::Solid) {
        if (rop2 == R2_COPYPEN) {
          FillPixels(row + b.x1, size_t(b.x2 - b.x1), p.color);
        } else if (rop2 == R2_XORPEN) {
          for (int x = b.x1; x < b.x2; ++x) row[x] ^= p.color;
        } else if (rop2 == R2_NOT) {
          for (int x = b.x1; x < b.x2; ++x) row[x] = ~row[x];
        } else {
          for (int x = b.x1; x < b.x2; ++x) row[x] = Rop2(rop2, p.color, row[x]);
        }
      } else {
        for (int x = b.x1; x < b.x2; ++x) {
          bool draw;
          uint32_t c = PaintAt(p, x, y, &draw);
          if (draw) row[x] = Rop2(rop2, c, row[x]);
        }
      }
    }
  }
}

void FillRegionClipped(HDC__* dc, Region rgn, const Paint& p, int rop2) {
  if (p.none) return;
  rgn.Intersect(EffectiveClip(dc));
  FillRegionRop2(Target(dc), rgn, p, rop2);
}

void FillRectRop2(HDC__* dc, RECT r, const Paint& p, int rop2) {
  if (p.none || r.IsEmpty()) return;
  const Region& clip = EffectiveClip(dc);
  if (clip.Count() == 1) {
    RECT b = clip.Bounds();
    RECT i(std::max(b.Left, r.Left), std::max(b.Top, r.Top), std::min(b.Right, r.Right),
           std::min(b.Bottom, r.Bottom));
    if (i.IsEmpty()) return;
    FillRegionRop2(Target(dc), Region(i), p, rop2);
    return;
  }
  Region g(r);
  g.Intersect(clip);
  FillRegionRop2(Target(dc), g, p, rop2);
}

void FillSpansClipped(HDC__* dc, const std::vector<Span>& spans, const Paint& p, int rop2) {
  if (p.none || spans.empty()) return;
  FillRegionClipped(dc, SpansToRegion(spans), p, rop2);
}

void SetSurfacePixel(HDC__* dc, int sx, int sy, uint32_t pixel, int rop2) {
  if (!EffectiveClip(dc).Contains(sx, sy)) return;
  uint32_t& d = Target(dc)->At(sx, sy);
  d = Rop2(rop2, pixel, d);
}

void FillSolid(HDC__* dc, RECT logical, COLORREF c) {
  Paint p;
  p.color = DevicePixel(dc, c);
  FillRectRop2(dc, ToSurface(dc, logical), p, R2_COPYPEN);
}

}  // namespace gdi

using namespace gdi;

// ---- saved states --------------------------------------------------------------------------

int SaveDC(HDC hdc) {
  HDC__* dc = Dc(hdc);
  if (!dc) return 0;
  dc->saved.push_back(dc->s);
  RefState(dc->saved.back());
  return int(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int level) {
  HDC__* dc = Dc(hdc);
  if (!dc) return FALSE;
  int n = int(dc->saved.size());
  if (level < 0) level = n + level + 1;
  if (level < 1 || level > n) return FALSE;
  DcState restored = dc->saved[size_t(level - 1)];  // copy; references move with it
  for (int i = level; i < n; ++i) UnrefState(dc->saved[size_t(i)]);
  dc->saved.resize(size_t(level - 1));
  UnrefState(dc->s);
  dc->s = restored;
  if (dc->s.bitmap && !dc->s.bitmap->stock) dc->s.bitmap->selectedInto = dc;
  InvalidateClip(dc);
  return TRUE;
}

// ---- colours and modes ---------------------------------------------------------------------

#define DC_OR(fail)       \
  HDC__* dc = Dc(hdc);    \
  if (!dc) return fail;

COLORREF SetTextColor(HDC hdc, COLORREF c) {
  DC_OR(CLR_INVALID);
  COLORREF old = dc->s.textColor;
  dc->s.textColor = c & 0xFFFFFF;
  return old;
}
COLORREF GetTextColor(HDC hdc) {
  DC_OR(CLR_INVALID);
  return dc->s.textColor;
}
COLORREF SetBkColor(HDC hdc, COLORREF c) {
  DC_OR(CLR_INVALID);
  COLORREF old = dc->s.bkColor;
  dc->s.bkColor = c & 0xFFFFFF;
  return old;
}
COLORREF GetBkColor(HDC hdc) {
  DC_OR(CLR_INVALID);
  return dc->s.bkColor;
}
int SetBkMode(HDC hdc, int mode) {
  DC_OR(0);
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  int old = dc->s.bkMode;
  dc->s.bkMode = mode;
  return old;
}
int GetBkMode(HDC hdc) {
  DC_OR(0);
  return dc->s.bkMode;
}
int SetROP2(HDC hdc, int rop2) {
  DC_OR(0);
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  int old = dc->s.rop2;
  dc->s.rop2 = rop2;
  return old;
}
int GetROP2(HDC hdc) {
  DC_OR(0);
  return dc->s.rop2;
}
int SetStretchBltMode(HDC hdc, int mode) {
  DC_OR(0);
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  int old = dc->s.stretchMode;
  dc->s.stretchMode = mode;
  return old;
}
int GetStretchBltMode(HDC hdc) {
  DC_OR(0);
  return dc->s.stretchMode;
}
int SetPolyFillMode(HDC hdc, int mode) {
  DC_OR(0);
  if (mode != ALTERNATE && mode != WINDING) return 0;
  int old = dc->s.polyFillMode;
  dc->s.polyFillMode = mode;
  return old;
}
int GetPolyFillMode(HDC hdc) {
  DC_OR(0);
  return dc->s.polyFillMode;
}
UINT SetTextAlign(HDC hdc, UINT align) {
  DC_OR(GDI_ERROR);
  UINT old = dc->s.textAlign;
  dc->s.textAlign = align;
  return old;
}
UINT GetTextAlign(HDC hdc) {
  DC_OR(GDI_ERROR);
  return dc->s.textAlign;
}
int SetTextCharacterExtra(HDC hdc, int extra) {
  DC_OR(int(0x80000000));
  int old = dc->s.charExtra;
  dc->s.charExtra = extra;
  return old;
}
int GetTextCharacterExtra(HDC hdc) {
  DC_OR(int(0x80000000));
  return dc->s.charExtra;
}

// ---- origins -------------------------------------------------------------------------------

namespace {
POINT& Field(HDC__* dc, int which) {
  switch (which) {
    case 0: return dc->s.windowOrg;
    case 1: return dc->s.viewportOrg;
    default: return dc->s.brushOrg;
  }
}
BOOL SetOrg(HDC hdc, int which, int x, int y, bool relative, POINT* old) {
  DC_OR(FALSE);
  POINT& f = Field(dc, which);
  if (old) *old = f;
  if (relative)
    f = {f.X + x, f.Y + y};
  else
    f = {x, y};
  return TRUE;
}
BOOL GetOrg(HDC hdc, int which, POINT* p) {
  DC_OR(FALSE);
  if (!p) return FALSE;
  *p = Field(dc, which);
  return TRUE;
}
}  // namespace

BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old) { return SetOrg(dc, 0, x, y, false, old); }
BOOL GetWindowOrgEx(HDC dc, POINT* p) { return GetOrg(dc, 0, p); }
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old) { return SetOrg(dc, 0, dx, dy, true, old); }
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old) { return SetOrg(dc, 1, x, y, false, old); }
BOOL GetViewportOrgEx(HDC dc, POINT* p) { return GetOrg(dc, 1, p); }
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old) { return SetOrg(dc, 1, dx, dy, true, old); }
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old) { return SetOrg(dc, 2, x, y, false, old); }
BOOL GetBrushOrgEx(HDC dc, POINT* p) { return GetOrg(dc, 2, p); }

BOOL LPtoDP(HDC hdc, POINT* pts, int count) {
  DC_OR(FALSE);
  if (!pts || count < 0) return FALSE;
  for (int i = 0; i < count; ++i) {
    pts[i].X += dc->s.viewportOrg.X - dc->s.windowOrg.X;
    pts[i].Y += dc->s.viewportOrg.Y - dc->s.windowOrg.Y;
  }
  return TRUE;
}

BOOL DPtoLP(HDC hdc, POINT* pts, int count) {
  DC_OR(FALSE);
  if (!pts || count < 0) return FALSE;
  for (int i = 0; i < count; ++i) {
    pts[i].X -= dc->s.viewportOrg.X - dc->s.windowOrg.X;
    pts[i].Y -= dc->s.viewportOrg.Y - dc->s.windowOrg.Y;
  }
  return TRUE;
}

BOOL GetDCOrgEx(HDC hdc, POINT* p) {
  DC_OR(FALSE);
  if (!p) return FALSE;
  *p = dc->origin;
  return TRUE;
}

int GetDeviceCaps(HDC hdc, int index) {
  HDC__* dc = hdc ? Dc(hdc) : nullptr;
  if (hdc && !dc) return 0;
  TSurface* s = dc ? Target(dc) : nullptr;
  switch (index) {
    case HORZRES: return s ? s->Width() : GetSystemMetrics(SM_CXSCREEN);
    case VERTRES: return s ? s->Height() : GetSystemMetrics(SM_CYSCREEN);
    case BITSPIXEL: return dc && IsMono(dc) ? 1 : 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case RASTERCAPS: return 0x0001 | 0x0008 | 0x0800;  // bitblt, bitmaps over 64K, stretchblt
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    default: return 0;
  }
}

COLORREF GetNearestColor(HDC hdc, COLORREF c) {
  DC_OR(CLR_INVALID);
  return PixelToColorRef(DevicePixel(dc, c));
}

// ---- clipping ------------------------------------------------------------------------------

namespace {
// The device-coordinate bounds of everything the DC could draw on: the clip used when an
// operation needs "the current clip" and the DC has none.
Region DeviceBounds(HDC__* dc) {
  TSurface* s = Target(dc);
  Region r(RECT(0, 0, s ? s->Width() : 0, s ? s->Height() : 0));
  if (dc->hasSystemClip) r.Intersect(dc->systemClip);
  r.Offset(-dc->origin.X, -dc->origin.Y);
  return r;
}

int ResultOf(HDC__* dc) {
  InvalidateClip(dc);
  return EffectiveClip(dc).Complexity();
}

RECT LogicalToDevice(HDC__* dc, int l, int t, int r, int b) {
  int dx = dc->s.viewportOrg.X - dc->s.windowOrg.X, dy = dc->s.viewportOrg.Y - dc->s.windowOrg.Y;
  return RECT(std::min(l, r) + dx, std::min(t, b) + dy, std::max(l, r) + dx, std::max(t, b) + dy);
}
}  // namespace

int SelectClipRgn(HDC hdc, HRGN h) { return ExtSelectClipRgn(hdc, h, RGN_COPY); }

int ExtSelectClipRgn(HDC hdc, HRGN h, int mode) {
  DC_OR(ERROR);
  HRGN__* r = Rgn(h);
  if (mode == RGN_COPY) {
    if (h && !r) return ERROR;
    dc->s.hasClip = r != nullptr;
    if (r)
      dc->s.clip = r->rgn;
    else
      dc->s.clip.Clear();
    return ResultOf(dc);
  }
  if (!r || mode < RGN_AND || mode > RGN_DIFF) return ERROR;
  Region cur = dc->s.hasClip ? dc->s.clip : DeviceBounds(dc);
  switch (mode) {
    case RGN_AND: cur.Intersect(r->rgn); break;
    case RGN_OR: cur.Union(r->rgn); break;
    case RGN_XOR: cur.Xor(r->rgn); break;
    case RGN_DIFF: cur.Subtract(r->rgn); break;
  }
  dc->s.clip = cur;
  dc->s.hasClip = true;
  return ResultOf(dc);
}

int GetClipRgn(HDC hdc, HRGN h) {
  DC_OR(-1);
  HRGN__* r = Rgn(h);
  if (!r) return -1;
  if (!dc->s.hasClip) return 0;
  r->rgn = dc->s.clip;
  return 1;
}

int GetRandomRgn(HDC hdc, HRGN h, int which) {
  DC_OR(-1);
  HRGN__* r = Rgn(h);
  if (!r || which != SYSRGN) return -1;
  TSurface* s = Target(dc);
  r->rgn.SetRect(RECT(0, 0, s ? s->Width() : 0, s ? s->Height() : 0));
  if (dc->hasSystemClip) r->rgn.Intersect(dc->systemClip);
  return 1;
}

int IntersectClipRect(HDC hdc, int l, int t, int r, int b) {
  DC_OR(ERROR);
  RECT d = LogicalToDevice(dc, l, t, r, b);
  if (dc->s.hasClip)
    dc->s.clip.IntersectRect(d);
  else
    dc->s.clip.SetRect(d);
  dc->s.hasClip = true;
  return ResultOf(dc);
}

int ExcludeClipRect(HDC hdc, int l, int t, int r, int b) {
  DC_OR(ERROR);
  RECT d = LogicalToDevice(dc, l, t, r, b);
  if (!dc->s.hasClip) dc->s.clip = DeviceBounds(dc);
  dc->s.clip.Subtract(Region(d));
  dc->s.hasClip = true;
  return ResultOf(dc);
}

int OffsetClipRgn(HDC hdc, int dx, int dy) {
  DC_OR(ERROR);
  if (dc->s.hasClip) dc->s.clip.Offset(dx, dy);
  return ResultOf(dc);
}

int GetClipBox(HDC hdc, RECT* r) {
  DC_OR(ERROR);
  if (!r) return ERROR;
  const Region& c = EffectiveClip(dc);
  if (c.Empty()) {
    *r = {};
    return NULLREGION;
  }
  RECT b = c.Bounds();
  int dx = dc->origin.X + dc->s.viewportOrg.X - dc->s.windowOrg.X;
  int dy = dc->origin.Y + dc->s.viewportOrg.Y - dc->s.windowOrg.Y;
  *r = RECT(b.Left - dx, b.Top - dy, b.Right - dx, b.Bottom - dy);
  return c.Complexity();
}

BOOL RectVisible(HDC hdc, const RECT* r) {
  DC_OR(FALSE);
  if (!r) return FALSE;
  return EffectiveClip(dc).Overlaps(ToSurface(dc, *r));
}

BOOL PtVisible(HDC hdc, int x, int y) {
  DC_OR(FALSE);
  return EffectiveClip(dc).Contains(SX(dc, x), SY(dc, y));
}

// ---- surface device contexts ---------------------------------------------------------------

BOOL SetSurfaceDCOrigin(HDC hdc, POINT origin) {
  DC_OR(FALSE);
  if (dc->memory) return FALSE;
  dc->origin = origin;
  InvalidateClip(dc);
  return TRUE;
}

BOOL SetSurfaceDCSystemClip(HDC hdc, HRGN h) {
  DC_OR(FALSE);
  if (dc->memory) return FALSE;
  HRGN__* r = Rgn(h);
  if (h && !r) return FALSE;
  dc->hasSystemClip = r != nullptr;
  if (r)
    dc->systemClip = r->rgn;
  else
    dc->systemClip.Clear();
  InvalidateClip(dc);
  return TRUE;
}

TSurface* GetDCSurface(HDC hdc) {
  DC_OR(nullptr);
  return Target(dc);
}
