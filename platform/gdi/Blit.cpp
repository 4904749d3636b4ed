// Block transfers: PatBlt, BitBlt and StretchBlt with the ternary raster operations,
// transparent copies by key colour, alpha blending and rectangle gradients.
#include <algorithm>
#include <cstring>

#include "gdi/GdiInternal.h"

using namespace gdi;

namespace {
uint8_t RopIndex(DWORD rop) { return uint8_t((rop >> 16) & 0xFF); }
// A raster operation that ignores the source gives the same result for S = 0 and S = 1.
bool UsesSource(uint8_t t) { return ((t >> 2) & 0x33) != (t & 0x33); }
bool UsesPattern(uint8_t t) { return ((t >> 4) & 0x0F) != (t & 0x0F); }

RECT Normalised(int x, int y, int w, int h) {
  return RECT(std::min(x, x + w), std::min(y, y + h), std::max(x, x + w), std::max(y, y + h));
}

// Applies the pattern-only operation t over a surface rectangle.
void PatternOp(HDC__* dc, RECT r, uint8_t t) {
  Paint p = BrushPaint(dc, dc->s.brush);
  switch (t) {
    case 0xF0: FillRectRop2(dc, r, p, R2_COPYPEN); return;
    case 0x5A: FillRectRop2(dc, r, p, R2_XORPEN); return;
    case 0xAA: return;
    default: break;
  }
  Paint any;
  if (t == 0x55) { FillRectRop2(dc, r, any, R2_NOT); return; }
  if (t == 0x00) { any.color = DevicePixel(dc, 0); FillRectRop2(dc, r, any, R2_COPYPEN); return; }
  if (t == 0xFF) { any.color = DevicePixel(dc, 0xFFFFFF); FillRectRop2(dc, r, any, R2_COPYPEN); return; }
  if (p.none) {
    // A null brush is a pattern of nothing: only operations without it are drawn.
    if (UsesPattern(t)) return;
  }
  Region g(r);
  g.Intersect(EffectiveClip(dc));
  TSurface* s = Target(dc);
  int n = 0;
  const pixman_box32_t* boxes = g.Boxes(&n);
  for (int i = 0; i < n; ++i)
    for (int y = boxes[i].y1; y < boxes[i].y2; ++y) {
      uint32_t* row = s->Row(y);
      for (int x = boxes[i].x1; x < boxes[i].x2; ++x) {
        bool draw = true;
        uint32_t pv = p.none ? 0 : PaintAt(p, x, y, &draw);
        if (draw) row[x] = Rop3(t, pv, 0, row[x]);
      }
    }
}

// Converts source pixels for the destination: monochrome to colour through the destination's
// text (0) and background (1) colours; colour to monochrome: the source's background colour
// becomes white, everything else black.
struct Convert {
  enum { None, MonoToColor, ColorToMono } mode = None;
  uint32_t fg = 0, bg = 0, key = 0;
  uint32_t operator()(uint32_t v) const {
    switch (mode) {
      case MonoToColor: return (v & 0xFFFFFF) ? bg : fg;
      case ColorToMono: return (v & 0xFFFFFF) == key ? 0xFFFFFF : 0;
      default: return v;
    }
  }
};

Convert ConvertFor(HDC__* dst, HDC__* src) {
  Convert c;
  bool sm = IsMono(src), dm = IsMono(dst);
  if (sm && !dm) {
    c.mode = Convert::MonoToColor;
    c.fg = DevicePixel(dst, dst->s.textColor);
    c.bg = DevicePixel(dst, dst->s.bkColor);
  } else if (!sm && dm) {
    c.mode = Convert::ColorToMono;
    c.key = ColorRefToPixel(src->s.bkColor);
  }
  return c;
}

// The destination area (surface coordinates) of a copy, clipped to the destination clip and to
// the part that has source pixels.
Region CopyArea(HDC__* dst, RECT d, HDC__* src, int ssx, int ssy) {
  TSurface* ss = Target(src);
  Region g(d);
  g.Intersect(EffectiveClip(dst));
  RECT srcBounds(0, 0, ss->Width(), ss->Height());
  // Source bounds expressed at the destination.
  g.IntersectRect(RECT(srcBounds.Left - ssx + d.Left, srcBounds.Top - ssy + d.Top,
                       srcBounds.Right - ssx + d.Left, srcBounds.Bottom - ssy + d.Top));
  return g;
}
}  // namespace

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  HDC__* dc = Dc(hdc);
  if (!dc || !Target(dc)) return FALSE;
  uint8_t t = RopIndex(rop);
  if (UsesSource(t)) return FALSE;
  RECT r = Normalised(x, y, w, h);
  r = ToSurface(dc, r);
  PatternOp(dc, r, t);
  return TRUE;
}

BOOL BitBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, DWORD rop) {
  HDC__* dst = Dc(hdst);
  if (!dst || !Target(dst)) return FALSE;
  uint8_t t = RopIndex(rop);
  if (!UsesSource(t)) return PatBlt(hdst, x, y, w, h, rop);
  HDC__* src = Dc(hsrc);
  if (!src || !Target(src) || w < 0 || h < 0) return FALSE;
  if (w == 0 || h == 0) return TRUE;
  RECT d(SX(dst, x), SY(dst, y), SX(dst, x) + w, SY(dst, y) + h);
  int ssx = SX(src, sx), ssy = SY(src, sy);
  Region area = CopyArea(dst, d, src, ssx, ssy);
  if (area.Empty()) return TRUE;
  TSurface* ds = Target(dst);
  TSurface* ss = Target(src);
  Convert conv = ConvertFor(dst, src);
  Paint pat;
  if (UsesPattern(t)) pat = BrushPaint(dst, dst->s.brush);
  int offX = ssx - d.Left, offY = ssy - d.Top;

  // Copy the source first when it may overlap the destination.
  std::vector<uint32_t> temp;
  const uint32_t* tempBase = nullptr;
  RECT ab = area.Bounds();
  if (ds == ss) {
    int tw = ab.Width();
    temp.resize(size_t(tw) * size_t(ab.Height()));
    for (int yy = ab.Top; yy < ab.Bottom; ++yy)
      std::memcpy(&temp[size_t(yy - ab.Top) * size_t(tw)], ss->Row(yy + offY) + ab.Left + offX,
                  size_t(tw) * 4);
    tempBase = temp.data();
  }
  auto srcRow = [&](int yy) -> const uint32_t* {
    if (tempBase) return tempBase + size_t(yy - ab.Top) * size_t(ab.Width()) - ab.Left;
    return ss->Row(yy + offY) + offX;
  };

  int n = 0;
  const pixman_box32_t* boxes = area.Boxes(&n);
  for (int i = 0; i < n; ++i) {
    const pixman_box32_t& b = boxes[i];
    if (t == 0xCC && conv.mode == Convert::None && !tempBase && offX == 0 && b.x1 == 0 &&
        b.x2 == ds->Width() && ds->Width() == ss->Width() && ds->Stride() == ds->Width() &&
        ss->Stride() == ss->Width()) {
      // Whole rows of contiguous memory on both sides: one block.
      std::memmove(ds->Row(b.y1), ss->Row(b.y1 + offY), size_t(b.y2 - b.y1) * size_t(b.x2) * 4);
      continue;
    }
    for (int yy = b.y1; yy < b.y2; ++yy) {
      uint32_t* drow = ds->Row(yy);
      const uint32_t* srow = srcRow(yy);
      if (t == 0xCC && conv.mode == Convert::None) {
        std::memcpy(drow + b.x1, srow + b.x1, size_t(b.x2 - b.x1) * 4);
        continue;
      }
      for (int xx = b.x1; xx < b.x2; ++xx) {
        uint32_t s = conv(srow[xx]);
        uint32_t& dv = drow[xx];
        switch (t) {
          case 0xCC: dv = s; break;
          case 0xEE: dv |= s; break;
          case 0x88: dv &= s; break;
          case 0x66: dv ^= s; break;
          case 0x22: dv &= ~s; break;
          default: {
            bool draw = true;
            uint32_t pv = pat.none ? 0 : PaintAt(pat, xx, yy, &draw);
            dv = Rop3(t, pv, s, dv);
          }
        }
      }
    }
  }
  return TRUE;
}

namespace {
// Nearest-neighbour stretch: calls put(destX, destY, sourcePixel) for every destination pixel
// inside the clip whose source pixel exists.
template <class Put>
bool Stretch(HDC__* dst, int x, int y, int w, int h, HDC__* src, int sx, int sy, int sw, int sh,
             Put put) {
  if (w == 0 || h == 0 || sw == 0 || sh == 0) return true;
  TSurface* ss = Target(src);
  RECT d = ToSurface(dst, Normalised(x, y, w, h));
  Region area(d);
  area.Intersect(EffectiveClip(dst));
  if (area.Empty()) return true;
  bool flipX = (w < 0) != (sw < 0), flipY = (h < 0) != (sh < 0);
  int aw = std::abs(w), ah = std::abs(h), asw = std::abs(sw), ash = std::abs(sh);
  int sx0 = SX(src, std::min(sx, sx + sw)), sy0 = SY(src, std::min(sy, sy + sh));
  int n = 0;
  const pixman_box32_t* boxes = area.Boxes(&n);
  for (int i = 0; i < n; ++i)
    for (int yy = boxes[i].y1; yy < boxes[i].y2; ++yy) {
      int j = yy - d.Top;
      if (flipY) j = ah - 1 - j;
      int syy = sy0 + int((int64_t(2 * j + 1) * ash) / (2 * int64_t(ah)));
      if (syy < 0 || syy >= ss->Height()) continue;
      const uint32_t* srow = ss->Row(syy);
      for (int xx = boxes[i].x1; xx < boxes[i].x2; ++xx) {
        int k = xx - d.Left;
        if (flipX) k = aw - 1 - k;
        int sxx = sx0 + int((int64_t(2 * k + 1) * asw) / (2 * int64_t(aw)));
        if (sxx < 0 || sxx >= ss->Width()) continue;
        put(xx, yy, srow[sxx]);
      }
    }
  return true;
}
}  // namespace

BOOL StretchBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, int sw, int sh,
                DWORD rop) {
  HDC__* dst = Dc(hdst);
  if (!dst || !Target(dst)) return FALSE;
  uint8_t t = RopIndex(rop);
  if (!UsesSource(t)) return PatBlt(hdst, x, y, w, h, rop);
  HDC__* src = Dc(hsrc);
  if (!src || !Target(src)) return FALSE;
  if (w == sw && h == sh && w > 0 && h > 0) return BitBlt(hdst, x, y, w, h, hsrc, sx, sy, rop);
  TSurface* ds = Target(dst);
  Convert conv = ConvertFor(dst, src);
  Paint pat;
  if (UsesPattern(t)) pat = BrushPaint(dst, dst->s.brush);
  return Stretch(dst, x, y, w, h, src, sx, sy, sw, sh, [&](int xx, int yy, uint32_t s) {
    uint32_t& dv = ds->At(xx, yy);
    bool draw = true;
    uint32_t pv = pat.none ? 0 : PaintAt(pat, xx, yy, &draw);
    dv = Rop3(t, pv, conv(s), dv);
  });
}

BOOL TransparentBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, int sw,
                    int sh, UINT transparent) {
  HDC__* dst = Dc(hdst);
  HDC__* src = Dc(hsrc);
  if (!dst || !src || !Target(dst) || !Target(src) || w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
    return FALSE;
  TSurface* ds = Target(dst);
  uint32_t key = ColorRefToPixel(transparent & 0xFFFFFF);
  Convert conv = ConvertFor(dst, src);
  return Stretch(dst, x, y, w, h, src, sx, sy, sw, sh, [&](int xx, int yy, uint32_t s) {
    if ((s & 0xFFFFFF) == key) return;
    ds->At(xx, yy) = conv(s);
  });
}

namespace {
inline uint32_t Mul255(uint32_t a, uint32_t b) {  // a * b / 255, rounded
  uint32_t t = a * b + 128;
  return (t + (t >> 8)) >> 8;
}
}  // namespace

BOOL AlphaBlend(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, int sw, int sh,
                BLENDFUNCTION bf) {
  HDC__* dst = Dc(hdst);
  HDC__* src = Dc(hsrc);
  if (!dst || !src || !Target(dst) || !Target(src)) return FALSE;
  if (w < 0 || h < 0 || sw < 0 || sh < 0 || bf.BlendOp != AC_SRC_OVER) return FALSE;
  TSurface* ss = Target(src);
  int ssx = SX(src, sx), ssy = SY(src, sy);
  if (ssx < 0 || ssy < 0 || ssx + sw > ss->Width() || ssy + sh > ss->Height()) return FALSE;
  TSurface* ds = Target(dst);
  uint32_t sca = bf.SourceConstantAlpha;
  bool perPixel = (bf.AlphaFormat & AC_SRC_ALPHA) != 0;
  return Stretch(dst, x, y, w, h, src, sx, sy, sw, sh, [&](int xx, int yy, uint32_t s) {
    uint32_t& d = ds->At(xx, yy);
    uint32_t out = 0;
    if (perPixel) {
      uint32_t sa = Mul255(s >> 24, sca);
      for (int sh8 = 0; sh8 < 32; sh8 += 8) {
        uint32_t sc = Mul255((s >> sh8) & 0xFF, sca);
        uint32_t dc = (d >> sh8) & 0xFF;
        uint32_t v = std::min<uint32_t>(255, sc + Mul255(dc, 255 - sa));
        out |= v << sh8;
      }
    } else {
      for (int sh8 = 0; sh8 < 32; sh8 += 8) {
        uint32_t v = Mul255((s >> sh8) & 0xFF, sca) + Mul255((d >> sh8) & 0xFF, 255 - sca);
        out |= std::min<uint32_t>(255, v) << sh8;
      }
    }
    d = out;
  });
}

BOOL GradientFill(HDC hdc, const TRIVERTEX* v, ULONG nv, const void* mesh, ULONG nMesh,
                  ULONG mode) {
  HDC__* dc = Dc(hdc);
  if (!dc || !Target(dc) || !v || !mesh) return FALSE;
  if (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V) return FALSE;
  const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
  TSurface* s = Target(dc);
  for (ULONG m = 0; m < nMesh; ++m) {
    if (rects[m].UpperLeft >= nv || rects[m].LowerRight >= nv) return FALSE;
    TRIVERTEX a = v[rects[m].UpperLeft], b = v[rects[m].LowerRight];
    if ((mode == GRADIENT_FILL_RECT_H && a.x > b.x) || (mode == GRADIENT_FILL_RECT_V && a.y > b.y))
      std::swap(a, b);
    RECT r = ToSurface(dc, RECT(a.x, a.y, b.x, b.y));
    Region g(r);
    g.Intersect(EffectiveClip(dc));
    bool horz = mode == GRADIENT_FILL_RECT_H;
    int len = horz ? r.Width() : r.Height();
    if (len <= 0) continue;
    auto colorAt = [&](int i) {
      auto ch = [&](COLOR16 c0, COLOR16 c1) {
        return uint32_t((int(c0) + int64_t(int(c1) - int(c0)) * i / len) >> 8) & 0xFF;
      };
      return (ch(a.Alpha, b.Alpha) << 24) | (ch(a.Red, b.Red) << 16) | (ch(a.Green, b.Green) << 8) |
             ch(a.Blue, b.Blue);
    };
    bool mono = IsMono(dc);
    int n = 0;
    const pixman_box32_t* boxes = g.Boxes(&n);
    for (int i = 0; i < n; ++i)
      for (int yy = boxes[i].y1; yy < boxes[i].y2; ++yy) {
        uint32_t* row = s->Row(yy);
        for (int xx = boxes[i].x1; xx < boxes[i].x2; ++xx) {
          uint32_t c = colorAt(horz ? xx - r.Left : yy - r.Top);
          row[xx] = mono ? DevicePixel(dc, PixelToColorRef(c & 0xFFFFFF)) : c;
        }
      }
  }
  return TRUE;
}

BOOL GradientFillRect(HDC dc, const RECT& r, COLORREF from, COLORREF to, bool vertical) {
  auto vertex = [](LONG x, LONG y, COLORREF c) {
    TRIVERTEX v{};
    v.x = x;
    v.y = y;
    v.Red = COLOR16(GetRValue(c) << 8);
    v.Green = COLOR16(GetGValue(c) << 8);
    v.Blue = COLOR16(GetBValue(c) << 8);
    return v;
  };
  TRIVERTEX v[2] = {vertex(r.Left, r.Top, from), vertex(r.Right, r.Bottom, to)};
  GRADIENT_RECT gr{0, 1};
  return GradientFill(dc, v, 2, &gr, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}
