// Lines and shapes: pixels, pen lines with their dash styles, polylines, polygons,
// rectangles, ellipses, rounded rectangles, and the rectangle fills of the brush calls.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gdi/GdiInternal.h"

namespace gdi {

namespace {
// Dash patterns of cosmetic pens, in pixels, starting with a drawn run.
const std::vector<DWORD>* StylePattern(HPEN__* pen) {
  static const std::vector<DWORD> dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6},
      dashDotDot{9, 3, 3, 3, 3, 3}, alternate{1, 1};
  switch (pen->style & PS_STYLE_MASK) {
    case PS_DASH: return &dash;
    case PS_DOT: return &dot;
    case PS_DASHDOT: return &dashDot;
    case PS_DASHDOTDOT: return &dashDotDot;
    case PS_ALTERNATE: return &alternate;
    case PS_USERSTYLE: return pen->user.empty() ? nullptr : &pen->user;
    default: return nullptr;
  }
}

bool StyleOn(const std::vector<DWORD>& pat, int pos) {
  DWORD total = 0;
  for (DWORD d : pat) total += d;
  if (total == 0) return true;
  DWORD p = DWORD(pos) % total;
  for (size_t i = 0; i < pat.size(); ++i) {
    if (p < pat[i]) return i % 2 == 0;
    p -= pat[i];
  }
  return true;
}

// Clip test that avoids a region lookup for the common single-rectangle clip.
struct ClipTest {
  const Region& clip;
  RECT box;
  bool simple;
  explicit ClipTest(const Region& c) : clip(c), box(c.Bounds()), simple(c.Count() <= 1) {}
  bool operator()(int x, int y) const { return simple ? box.Contains({x, y}) : clip.Contains(x, y); }
};

int PenWidth(HDC__* dc) { return dc->s.pen ? std::max(1, dc->s.pen->width) : 1; }
bool NullPen(HDC__* dc) { return !dc->s.pen || (dc->s.pen->style & PS_STYLE_MASK) == PS_NULL; }
}  // namespace

void PenLine(HDC__* dc, int x0, int y0, int x1, int y1, bool includeEnd) {
  if (NullPen(dc) || !Target(dc)) return;
  int64_t ldx = int64_t(x1) - x0, ldy = int64_t(y1) - y0;
  int64_t longSteps = std::max(ldx < 0 ? -ldx : ldx, ldy < 0 ? -ldy : ldy);
  if (longSteps > 4096) {
    // A long line: cut it to the clip box (with a margin for the pen) first, so that its
    // cost is what can be seen.
    RECT box = EffectiveClip(dc).Bounds();
    int m = PenWidth(dc) + 2;
    double t0 = 0, t1 = 1;
    auto edge = [&](double p, double q) {
      if (p == 0) return q >= 0;
      double t = q / p;
      if (p < 0) t0 = std::max(t0, t);
      else t1 = std::min(t1, t);
      return t0 <= t1;
    };
    bool visible = !box.IsEmpty() && edge(-double(ldx), double(x0) - (box.Left - m)) &&
                   edge(double(ldx), double(box.Right + m) - x0) &&
                   edge(-double(ldy), double(y0) - (box.Top - m)) &&
                   edge(double(ldy), double(box.Bottom + m) - y0);
    int startPos = dc->stylePos;
    if (visible) {
      dc->stylePos = int((int64_t(startPos) + int64_t(t0 * double(longSteps))) % (1 << 30));
      int nx0 = int(std::lround(x0 + t0 * double(ldx))), ny0 = int(std::lround(y0 + t0 * double(ldy)));
      int nx1 = int(std::lround(x0 + t1 * double(ldx))), ny1 = int(std::lround(y0 + t1 * double(ldy)));
      PenLine(dc, nx0, ny0, nx1, ny1, t1 < 1 || includeEnd);
    }
    dc->stylePos = int((int64_t(startPos) + longSteps) % (1 << 30));
    return;
  }
  Paint pen = PenPaint(dc);
  int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
  int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int steps = std::max(dx, dy) + (includeEnd ? 1 : 0);
  int width = PenWidth(dc);
  if (width > 1) {
    // Wide pens: the union of pen-sized squares along the line, drawn once.
    std::vector<RECT> rects;
    int a = (width - 1) / 2, b = width / 2 + 1;
    int x = x0, y = y0, err = dx - dy;
    for (int i = 0; i <= std::max(dx, dy); ++i) {
      rects.push_back({x - a, y - a, x + b, y + b});
      int e2 = 2 * err;
      if (e2 > -dy) { err -= dy; x += sx; }
      if (e2 < dx) { err += dx; y += sy; }
    }
    Region r;
    r.SetRects(rects);
    FillRegionClipped(dc, r, pen, dc->s.rop2);
    return;
  }
  const std::vector<DWORD>* pat = StylePattern(dc->s.pen);
  uint32_t bk = DevicePixel(dc, dc->s.bkColor);
  bool opaqueGaps = dc->s.bkMode == OPAQUE;
  TSurface* s = Target(dc);
  ClipTest inClip(EffectiveClip(dc));
  int rop2 = dc->s.rop2;
  int x = x0, y = y0, err = dx - dy;
  for (int i = 0; i < steps; ++i) {
    bool on = !pat || StyleOn(*pat, dc->stylePos++);
    if ((on || opaqueGaps) && inClip(x, y)) {
      uint32_t& d = s->At(x, y);
      d = Rop2(rop2, on ? pen.color : bk, d);
    }
    int e2 = 2 * err;
    if (e2 > -dy) { err -= dy; x += sx; }
    if (e2 < dx) { err += dx; y += sy; }
  }
}

}  // namespace gdi

using namespace gdi;

#define DC_OR(fail)    \
  HDC__* dc = Dc(hdc); \
  if (!dc) return fail;

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  DC_OR(CLR_INVALID);
  int sx = SX(dc, x), sy = SY(dc, y);
  if (!Target(dc) || !EffectiveClip(dc).Contains(sx, sy)) return CLR_INVALID;
  uint32_t p = DevicePixel(dc, color);
  Target(dc)->At(sx, sy) = p;
  return PixelToColorRef(p);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) {
  return SetPixel(hdc, x, y, color) != CLR_INVALID;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  DC_OR(CLR_INVALID);
  int sx = SX(dc, x), sy = SY(dc, y);
  if (!Target(dc) || !EffectiveClip(dc).Contains(sx, sy)) return CLR_INVALID;
  return PixelToColorRef(Target(dc)->At(sx, sy) & 0xFFFFFF);
}

namespace {
bool Recording(HDC__* dc) { return dc->path == HDC__::PathState::Open; }

void AddFigure(HDC__* dc, std::vector<POINT> pts, bool closed) {
  dc->figures.push_back(std::move(pts));
  dc->figureClosed.push_back(closed);
}

// An ellipse inscribed in a rectangle as a polygon, fine enough for pixel-centre filling.
std::vector<POINT> EllipsePoints(RECT r) {
  std::vector<POINT> pts;
  double cx = (r.Left + r.Right) / 2.0, cy = (r.Top + r.Bottom) / 2.0;
  double a = r.Width() / 2.0, b = r.Height() / 2.0;
  int n = std::clamp(int((a + b) * 2), 16, 4096);
  for (int i = 0; i < n; ++i) {
    double t = 2 * M_PI * i / n;
    pts.push_back({int(std::lround(cx + a * std::cos(t))), int(std::lround(cy + b * std::sin(t)))});
  }
  return pts;
}
}  // namespace

BOOL MoveToEx(HDC hdc, int x, int y, POINT* old) {
  DC_OR(FALSE);
  if (old) *old = dc->s.cur;
  dc->s.cur = {x, y};
  if (Recording(dc)) AddFigure(dc, {{x, y}}, false);
  dc->stylePos = 0;
  return TRUE;
}

BOOL GetCurrentPositionEx(HDC hdc, POINT* p) {
  DC_OR(FALSE);
  if (!p) return FALSE;
  *p = dc->s.cur;
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  DC_OR(FALSE);
  if (Recording(dc)) {
    if (dc->figures.empty() || dc->figureClosed.back()) AddFigure(dc, {dc->s.cur}, false);
    dc->figures.back().push_back({x, y});
    dc->s.cur = {x, y};
    return TRUE;
  }
  PenLine(dc, SX(dc, dc->s.cur.X), SY(dc, dc->s.cur.Y), SX(dc, x), SY(dc, y));
  dc->s.cur = {x, y};
  return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* pts, int count) {
  DC_OR(FALSE);
  if (!pts || count < 2) return FALSE;
  if (Recording(dc)) {
    AddFigure(dc, std::vector<POINT>(pts, pts + count), false);
    return TRUE;
  }
  dc->stylePos = 0;
  for (int i = 1; i < count; ++i)
    PenLine(dc, SX(dc, pts[i - 1].X), SY(dc, pts[i - 1].Y), SX(dc, pts[i].X), SY(dc, pts[i].Y));
  return TRUE;
}

BOOL PolyPolyline(HDC hdc, const POINT* pts, const DWORD* counts, DWORD n) {
  DC_OR(FALSE);
  if (!pts || !counts) return FALSE;
  for (DWORD k = 0; k < n; ++k) {
    if (counts[k] < 2) return FALSE;
    Polyline(hdc, pts, int(counts[k]));
    pts += counts[k];
  }
  return TRUE;
}

namespace {
// Outline of a closed figure with the pen: every vertex drawn once.
void ClosedOutline(HDC__* dc, const POINT* pts, int count) {
  dc->stylePos = 0;
  for (int i = 0; i < count; ++i) {
    const POINT& a = pts[i];
    const POINT& b = pts[(i + 1) % count];
    PenLine(dc, SX(dc, a.X), SY(dc, a.Y), SX(dc, b.X), SY(dc, b.Y));
  }
}

// Shape from rows: outline = rows minus the rows eroded by the pen width; inside = brush.
void DrawShape(HDC__* dc, const std::vector<Span>& outerSpans, const std::vector<Span>& nullPenSpans) {
  if (NullPen(dc)) {
    FillSpansClipped(dc, nullPenSpans, BrushPaint(dc, dc->s.brush), dc->s.rop2);
    return;
  }
  Region outer = SpansToRegion(outerSpans);
  Region inner = outer;
  for (int i = 0; i < PenWidth(dc); ++i) inner = inner.Inner();
  Region frame = outer;
  frame.Subtract(inner);
  FillRegionClipped(dc, inner, BrushPaint(dc, dc->s.brush), dc->s.rop2);
  FillRegionClipped(dc, frame, PenPaint(dc), dc->s.rop2);
}

RECT Norm(HDC__* dc, int l, int t, int r, int b) { return ToSurface(dc, RECT(l, t, r, b)); }
}  // namespace

BOOL Polygon(HDC hdc, const POINT* pts, int count) {
  DC_OR(FALSE);
  if (!pts || count < 2) return FALSE;
  if (Recording(dc)) {
    AddFigure(dc, std::vector<POINT>(pts, pts + count), true);
    return TRUE;
  }
  std::vector<POINT> sp(pts, pts + count);
  for (POINT& p : sp) p = {SX(dc, p.X), SY(dc, p.Y)};
  RECT vis = EffectiveClip(dc).Bounds();
  Region inside = PolygonRegion(sp.data(), &count, 1, dc->s.polyFillMode, vis.Top, vis.Bottom);
  FillRegionClipped(dc, inside, BrushPaint(dc, dc->s.brush), dc->s.rop2);
  ClosedOutline(dc, pts, count);
  return TRUE;
}

BOOL Rectangle(HDC hdc, int l, int t, int r, int b) {
  DC_OR(FALSE);
  if (Recording(dc)) {
    AddFigure(dc, {{l, t}, {r, t}, {r, b}, {l, b}}, true);
    return TRUE;
  }
  RECT s = Norm(dc, l, t, r, b);
  if (s.IsEmpty()) return TRUE;
  Paint brush = BrushPaint(dc, dc->s.brush);
  if (NullPen(dc)) {
    // Without a pen the filled area is one pixel smaller to the right and below.
    FillRectRop2(dc, RECT(s.Left, s.Top, s.Right - 1, s.Bottom - 1), brush, dc->s.rop2);
    return TRUE;
  }
  int w = PenWidth(dc);
  bool inside = (dc->s.pen->style & PS_STYLE_MASK) == PS_INSIDEFRAME;
  int a = inside ? 0 : (w - 1) / 2, bb = inside ? 0 : w / 2;
  RECT outer(s.Left - a, s.Top - a, s.Right + bb, s.Bottom + bb);
  if (inside && w > 1) outer = s;
  RECT innerR(outer.Left + w, outer.Top + w, outer.Right - w, outer.Bottom - w);
  FillRectRop2(dc, innerR, brush, dc->s.rop2);
  DWORD style = dc->s.pen->style & PS_STYLE_MASK;
  bool styled = w == 1 && style != PS_SOLID && style != PS_INSIDEFRAME;
  if (styled && s.Width() > 2 && s.Height() > 2) {
    POINT pts[4] = {{s.Left, s.Top}, {s.Right - 1, s.Top}, {s.Right - 1, s.Bottom - 1}, {s.Left, s.Bottom - 1}};
    dc->stylePos = 0;
    for (int i = 0; i < 4; ++i) PenLine(dc, pts[i].X, pts[i].Y, pts[(i + 1) % 4].X, pts[(i + 1) % 4].Y);
    return TRUE;
  }
  Region frame(outer);
  frame.Subtract(Region(innerR));
  FillRegionClipped(dc, frame, PenPaint(dc), dc->s.rop2);
  return TRUE;
}

BOOL Ellipse(HDC hdc, int l, int t, int r, int b) {
  DC_OR(FALSE);
  if (Recording(dc)) {
    AddFigure(dc, EllipsePoints(RECT(std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b))), true);
    return TRUE;
  }
  RECT s = Norm(dc, l, t, r, b);
  // Rows beyond the clip (with a margin for the outline) are never computed.
  RECT vis = EffectiveClip(dc).Bounds();
  int m = PenWidth(dc) + 1;
  DrawShape(dc, EllipseSpans(s.Left, s.Top, s.Right, s.Bottom, vis.Top - m, vis.Bottom + m),
            EllipseSpans(s.Left, s.Top, s.Right - 1, s.Bottom - 1, vis.Top - m, vis.Bottom + m));
  return TRUE;
}

BOOL RoundRect(HDC hdc, int l, int t, int r, int b, int w, int h) {
  DC_OR(FALSE);
  if (Recording(dc)) {
    // Recorded as the rows' outline: corners follow the same ellipse as drawing.
    std::vector<Span> spans = RoundRectSpans(std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b), w, h);
    std::vector<POINT> pts;
    for (const Span& sp : spans) pts.push_back({sp.x0, sp.y}), pts.push_back({sp.x0, sp.y + 1});
    for (auto it = spans.rbegin(); it != spans.rend(); ++it)
      pts.push_back({it->x1, it->y + 1}), pts.push_back({it->x1, it->y});
    if (!pts.empty()) AddFigure(dc, pts, true);
    return TRUE;
  }
  RECT s = Norm(dc, l, t, r, b);
  RECT vis = EffectiveClip(dc).Bounds();
  int m = PenWidth(dc) + 1;
  DrawShape(dc, RoundRectSpans(s.Left, s.Top, s.Right, s.Bottom, w, h, vis.Top - m, vis.Bottom + m),
            RoundRectSpans(s.Left, s.Top, s.Right - 1, s.Bottom - 1, w, h, vis.Top - m, vis.Bottom + m));
  return TRUE;
}

namespace {
// A brush argument: a handle, or a system colour index + 1.
HBRUSH__* BrushArg(HBRUSH h) {
  if (HBRUSH__* b = Brush(h)) return b;
  uintptr_t v = reinterpret_cast<uintptr_t>(h);
  if (v >= 1 && v <= uintptr_t(COLOR_ENDCOLORS) + 1) return Brush(GetSysColorBrush(int(v - 1)));
  return nullptr;
}
}  // namespace

int FillRect(HDC hdc, const RECT* r, HBRUSH hb) {
  DC_OR(0);
  HBRUSH__* b = BrushArg(hb);
  if (!r || !b) return 0;
  FillRectRop2(dc, ToSurface(dc, *r), BrushPaint(dc, b), R2_COPYPEN);
  return 1;
}

int FrameRect(HDC hdc, const RECT* r, HBRUSH hb) {
  DC_OR(0);
  HBRUSH__* b = BrushArg(hb);
  if (!r || !b) return 0;
  RECT s = ToSurface(dc, *r);
  if (s.IsEmpty()) return 1;
  Region frame(s);
  frame.Subtract(Region(RECT(s.Left + 1, s.Top + 1, s.Right - 1, s.Bottom - 1)));
  FillRegionClipped(dc, frame, BrushPaint(dc, b), R2_COPYPEN);
  return 1;
}

BOOL InvertRect(HDC hdc, const RECT* r) {
  DC_OR(FALSE);
  if (!r) return FALSE;
  Paint p;
  FillRectRop2(dc, ToSurface(dc, *r), p, R2_NOT);
  return TRUE;
}

// ---- paths ---------------------------------------------------------------------------------

BOOL BeginPath(HDC hdc) {
  DC_OR(FALSE);
  dc->path = HDC__::PathState::Open;
  dc->figures.clear();
  dc->figureClosed.clear();
  return TRUE;
}

BOOL EndPath(HDC hdc) {
  DC_OR(FALSE);
  if (dc->path != HDC__::PathState::Open) return FALSE;
  dc->path = HDC__::PathState::Closed;
  return TRUE;
}

BOOL AbortPath(HDC hdc) {
  DC_OR(FALSE);
  dc->path = HDC__::PathState::None;
  dc->figures.clear();
  dc->figureClosed.clear();
  return TRUE;
}

BOOL CloseFigure(HDC hdc) {
  DC_OR(FALSE);
  if (!Recording(dc) || dc->figures.empty()) return FALSE;
  dc->figureClosed.back() = true;
  return TRUE;
}

namespace {
BOOL UsePath(HDC hdc, bool fill, bool stroke) {
  DC_OR(FALSE);
  if (dc->path != HDC__::PathState::Closed) return FALSE;
  std::vector<std::vector<POINT>> figs = std::move(dc->figures);
  std::vector<bool> closed = std::move(dc->figureClosed);
  dc->figures.clear();
  dc->figureClosed.clear();
  dc->path = HDC__::PathState::None;
  if (fill) {
    std::vector<POINT> all;
    std::vector<int> counts;
    for (const auto& f : figs) {
      if (f.size() < 3) continue;
      for (const POINT& p : f) all.push_back({SX(dc, p.X), SY(dc, p.Y)});
      counts.push_back(int(f.size()));
    }
    if (!counts.empty()) {
      RECT vis = EffectiveClip(dc).Bounds();
      Region inside = PolygonRegion(all.data(), counts.data(), int(counts.size()), dc->s.polyFillMode,
                                    vis.Top, vis.Bottom);
      FillRegionClipped(dc, inside, BrushPaint(dc, dc->s.brush), dc->s.rop2);
    }
  }
  if (stroke) {
    for (size_t k = 0; k < figs.size(); ++k) {
      const auto& f = figs[k];
      bool close = fill || closed[k];
      dc->stylePos = 0;
      for (size_t i = 0; i + 1 < f.size() + (close ? 1 : 0); ++i) {
        const POINT& a = f[i];
        const POINT& b = f[(i + 1) % f.size()];
        PenLine(dc, SX(dc, a.X), SY(dc, a.Y), SX(dc, b.X), SY(dc, b.Y));
      }
    }
  }
  return TRUE;
}
}  // namespace

BOOL FillPath(HDC hdc) { return UsePath(hdc, true, false); }
BOOL StrokePath(HDC hdc) { return UsePath(hdc, false, true); }
BOOL StrokeAndFillPath(HDC hdc) { return UsePath(hdc, true, true); }
