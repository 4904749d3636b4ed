// Regions: the pixman-backed value type, shapes rasterised to rows (ellipses, rounded
// rectangles, polygons) and the region API.
#include <algorithm>
#include <cmath>

#include "gdi/GdiInternal.h"

namespace gdi {

Region::Region(const RECT& rc) {
  pixman_region32_init(&r_);
  SetRect(rc);
}

void Region::SetRect(const RECT& rc) {
  pixman_region32_fini(&r_);
  if (rc.IsEmpty())
    pixman_region32_init(&r_);
  else
    pixman_region32_init_rect(&r_, rc.Left, rc.Top, unsigned(rc.Width()), unsigned(rc.Height()));
}

void Region::SetRects(const std::vector<RECT>& rects) {
  std::vector<pixman_box32_t> boxes;
  boxes.reserve(rects.size());
  for (const RECT& r : rects)
    if (!r.IsEmpty()) boxes.push_back({r.Left, r.Top, r.Right, r.Bottom});
  pixman_region32_fini(&r_);
  if (boxes.empty())
    pixman_region32_init(&r_);
  else
    pixman_region32_init_rects(&r_, boxes.data(), int(boxes.size()));
}

void Region::IntersectRect(const RECT& rc) {
  if (rc.IsEmpty()) {
    Clear();
    return;
  }
  pixman_region32_intersect_rect(&r_, &r_, rc.Left, rc.Top, unsigned(rc.Width()),
                                 unsigned(rc.Height()));
}

void Region::UnionRect(const RECT& rc) {
  if (rc.IsEmpty()) return;
  pixman_region32_union_rect(&r_, &r_, rc.Left, rc.Top, unsigned(rc.Width()),
                             unsigned(rc.Height()));
}

void Region::Xor(const Region& o) {
  Region a(*this), b(o);
  a.Subtract(o);
  b.Subtract(*this);
  a.Union(b);
  *this = a;
}

bool Region::Overlaps(const RECT& rc) const {
  if (rc.IsEmpty()) return false;
  pixman_box32_t box{rc.Left, rc.Top, rc.Right, rc.Bottom};
  return pixman_region32_contains_rectangle(const_cast<pixman_region32_t*>(&r_), &box) !=
         PIXMAN_REGION_OUT;
}

RECT Region::Bounds() const {
  if (Empty()) return {};
  const pixman_box32_t* e = pixman_region32_extents(const_cast<pixman_region32_t*>(&r_));
  return {e->x1, e->y1, e->x2, e->y2};
}

int Region::Complexity() const {
  int n = Count();
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

Region Region::Eroded(int dx, int dy) const {
  Region a(*this), b(*this);
  a.Offset(-dx, -dy);
  b.Offset(dx, dy);
  Region r(*this);
  r.Intersect(a);
  r.Intersect(b);
  return r;
}

Region Region::Inner() const {
  Region r(*this);
  for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
    Region s(*this);
    s.Offset(dx, dy);
    r.Intersect(s);
  }
  return r;
}

// Pixel (x, y) belongs to the ellipse inscribed in [l, r) x [t, b) when its centre does.
// The span of row y, or false when the row is empty.
static bool EllipseRow(double l, double t, double r, double b, int y, int& x0, int& x1) {
  double cx = (l + r) / 2.0, cy = (t + b) / 2.0;
  double a = (r - l) / 2.0, bb = (b - t) / 2.0;
  double dy = (y + 0.5 - cy) / bb;
  double q = 1.0 - dy * dy;
  if (q < 0) return false;
  double ext = a * std::sqrt(q) + 1e-9;
  x0 = std::max(int(std::ceil(cx - ext - 0.5)), int(l));
  x1 = std::min(int(std::floor(cx + ext - 0.5)) + 1, int(r));
  return x0 < x1;
}

std::vector<Span> EllipseSpans(int l, int t, int r, int b, int minY, int maxY) {
  std::vector<Span> spans;
  if (r - l <= 0 || b - t <= 0) return spans;
  for (int y = std::max(t, minY); y < std::min(b, maxY); ++y) {
    int x0, x1;
    if (EllipseRow(l, t, r, b, y, x0, x1)) spans.push_back({y, x0, x1});
  }
  return spans;
}

std::vector<Span> RoundRectSpans(int l, int t, int r, int b, int w, int h, int minY, int maxY) {
  std::vector<Span> spans;
  if (r - l <= 0 || b - t <= 0) return spans;
  w = std::clamp(w, 0, r - l);
  h = std::clamp(h, 0, b - t);
  int y0 = std::max(t, minY), y1 = std::min(b, maxY);
  if (w < 2 || h < 2) {
    for (int y = y0; y < y1; ++y) spans.push_back({y, l, r});
    return spans;
  }
  int half = h / 2;
  for (int y = y0; y < y1; ++y) {
    int k = -1;
    if (y - t < half)
      k = y - t;
    else if (b - 1 - y < half)
      k = h - (b - y);
    int in = 0;
    if (k >= 0) {
      int x0, x1;
      if (!EllipseRow(0, 0, w, h, k, x0, x1)) continue;
      in = x0;
    }
    if (l + in < r - in) spans.push_back({y, l + in, r - in});
  }
  return spans;
}

Region SpansToRegion(const std::vector<Span>& spans) {
  std::vector<RECT> rects;
  rects.reserve(spans.size());
  for (const Span& s : spans) rects.push_back({s.x0, s.y, s.x1, s.y + 1});
  Region r;
  r.SetRects(rects);
  return r;
}

// Scan conversion at pixel centres: a pixel is inside when its centre is, by the fill rule.
Region PolygonRegion(const POINT* pts, const int* counts, int polys, int fillMode, int minRow,
                     int maxRow) {
  struct Edge {
    double x0, y0, x1, y1;
    int dir;
  };
  std::vector<Edge> edges;
  int minY = INT32_MAX, maxY = INT32_MIN;
  const POINT* p = pts;
  for (int k = 0; k < polys; ++k) {
    int n = counts[k];
    for (int i = 0; i < n; ++i) {
      POINT a = p[i], b = p[(i + 1) % n];
      minY = std::min(minY, a.Y);
      maxY = std::max(maxY, a.Y);
      if (a.Y == b.Y) continue;
      if (a.Y < b.Y)
        edges.push_back({double(a.X), double(a.Y), double(b.X), double(b.Y), 1});
      else
        edges.push_back({double(b.X), double(b.Y), double(a.X), double(a.Y), -1});
    }
    p += n;
  }
  std::vector<RECT> rects;
  std::vector<std::pair<double, int>> xs;
  for (int y = std::max(minY, minRow); y < std::min(maxY, maxRow); ++y) {
    double yc = y + 0.5;
    xs.clear();
    for (const Edge& e : edges)
      if (yc >= e.y0 && yc < e.y1)
        xs.push_back({e.x0 + (yc - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.dir});
    std::sort(xs.begin(), xs.end());
    int wind = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
      wind += fillMode == WINDING ? xs[i].second : 1;
      bool inside = fillMode == WINDING ? wind != 0 : (wind & 1) != 0;
      if (!inside) continue;
      int x0 = int(std::ceil(xs[i].first - 0.5));
      int x1 = int(std::ceil(xs[i + 1].first - 0.5));
      if (x0 < x1) rects.push_back({x0, y, x1, y + 1});
    }
  }
  Region r;
  r.SetRects(rects);
  return r;
}

}  // namespace gdi

using namespace gdi;

BOOL SetRectRgn(HRGN h, int left, int top, int right, int bottom) {
  HRGN__* r = Rgn(h);
  if (!r) return FALSE;
  r->rgn.SetRect(RECT(std::min(left, right), std::min(top, bottom), std::max(left, right),
                      std::max(top, bottom)));
  return TRUE;
}

int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode) {
  HRGN__* d = Rgn(dst);
  HRGN__* a = Rgn(src1);
  if (!d || !a || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (mode == RGN_COPY) {
    d->rgn = a->rgn;
    return d->rgn.Complexity();
  }
  HRGN__* b = Rgn(src2);
  if (!b) return ERROR;
  Region r = a->rgn;
  switch (mode) {
    case RGN_AND: r.Intersect(b->rgn); break;
    case RGN_OR: r.Union(b->rgn); break;
    case RGN_XOR: r.Xor(b->rgn); break;
    case RGN_DIFF: r.Subtract(b->rgn); break;
  }
  d->rgn = r;
  return d->rgn.Complexity();
}

int OffsetRgn(HRGN h, int dx, int dy) {
  HRGN__* r = Rgn(h);
  if (!r) return ERROR;
  r->rgn.Offset(dx, dy);
  return r->rgn.Complexity();
}

BOOL PtInRegion(HRGN h, int x, int y) {
  HRGN__* r = Rgn(h);
  return r && r->rgn.Contains(x, y);
}

BOOL RectInRegion(HRGN h, const RECT* rc) {
  HRGN__* r = Rgn(h);
  if (!r || !rc) return FALSE;
  RECT n(std::min(rc->Left, rc->Right), std::min(rc->Top, rc->Bottom),
         std::max(rc->Left, rc->Right), std::max(rc->Top, rc->Bottom));
  return r->rgn.Overlaps(n);
}

BOOL EqualRgn(HRGN a, HRGN b) {
  HRGN__* ra = Rgn(a);
  HRGN__* rb = Rgn(b);
  if (!ra || !rb) return ERROR;
  return ra->rgn == rb->rgn;
}

int GetRgnBox(HRGN h, RECT* rc) {
  HRGN__* r = Rgn(h);
  if (!r || !rc) return ERROR;
  *rc = r->rgn.Bounds();
  return r->rgn.Complexity();
}

int GetRgnRects(HRGN h, std::vector<RECT>& rects) {
  rects.clear();
  HRGN__* r = Rgn(h);
  if (!r) return ERROR;
  int n = 0;
  const pixman_box32_t* boxes = r->rgn.Boxes(&n);
  for (int i = 0; i < n; ++i) rects.push_back({boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2});
  return r->rgn.Complexity();
}

namespace {
// A region given in logical coordinates, moved to surface coordinates.
Region ToSurfaceRegion(HDC__* dc, const Region& logical) {
  Region r = logical;
  r.Offset(SX(dc, 0), SY(dc, 0));
  return r;
}
}  // namespace

BOOL FillRgn(HDC hdc, HRGN h, HBRUSH hb) {
  HDC__* dc = Dc(hdc);
  HRGN__* r = Rgn(h);
  HBRUSH__* b = Brush(hb);
  if (!dc || !r || !b) return FALSE;
  FillRegionClipped(dc, ToSurfaceRegion(dc, r->rgn), BrushPaint(dc, b), R2_COPYPEN);
  return TRUE;
}

BOOL PaintRgn(HDC hdc, HRGN h) {
  HDC__* dc = Dc(hdc);
  HRGN__* r = Rgn(h);
  if (!dc || !r) return FALSE;
  FillRegionClipped(dc, ToSurfaceRegion(dc, r->rgn), BrushPaint(dc, dc->s.brush), dc->s.rop2);
  return TRUE;
}

BOOL InvertRgn(HDC hdc, HRGN h) {
  HDC__* dc = Dc(hdc);
  HRGN__* r = Rgn(h);
  if (!dc || !r) return FALSE;
  Paint p;
  FillRegionClipped(dc, ToSurfaceRegion(dc, r->rgn), p, R2_NOT);
  return TRUE;
}

BOOL FrameRgn(HDC hdc, HRGN h, HBRUSH hb, int w, int hh) {
  HDC__* dc = Dc(hdc);
  HRGN__* r = Rgn(h);
  HBRUSH__* b = Brush(hb);
  if (!dc || !r || !b || w < 0 || hh < 0) return FALSE;
  Region inner = r->rgn;
  for (int i = 0; i < w; ++i) inner = inner.Eroded(1, 0);
  for (int i = 0; i < hh; ++i) inner = inner.Eroded(0, 1);
  Region frame = r->rgn;
  frame.Subtract(inner);
  FillRegionClipped(dc, ToSurfaceRegion(dc, frame), BrushPaint(dc, b), R2_COPYPEN);
  return TRUE;
}
