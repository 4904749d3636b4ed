// Private to the graphics layer: the objects behind the handles, regions, and the raster
// helpers shared by the drawing units. Not for use outside platform/gdi.
#pragma once

#include <pixman.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gdi/Gdi.h"

namespace gdi {

enum class Kind : uint8_t { Pen, Brush, Font, Bitmap, Region, Dc };

// A region in device (or surface) coordinates, a value type over a pixman region.
class Region {
 public:
  Region() { pixman_region32_init(&r_); }
  explicit Region(const RECT& rc);
  Region(const Region& o) { pixman_region32_init(&r_); pixman_region32_copy(&r_, &o.r_); }
  Region& operator=(const Region& o) {
    if (this != &o) pixman_region32_copy(&r_, &o.r_);
    return *this;
  }
  ~Region() { pixman_region32_fini(&r_); }
  void SetRect(const RECT& rc);
  void SetRects(const std::vector<RECT>& rects);
  void Clear() { pixman_region32_clear(&r_); }
  void Offset(int dx, int dy) { pixman_region32_translate(&r_, dx, dy); }
  void Intersect(const Region& o) { pixman_region32_intersect(&r_, &r_, &o.r_); }
  void IntersectRect(const RECT& rc);
  void Union(const Region& o) { pixman_region32_union(&r_, &r_, &o.r_); }
  void UnionRect(const RECT& rc);
  void Subtract(const Region& o) { pixman_region32_subtract(&r_, &r_, &o.r_); }
  void Xor(const Region& o);
  bool Empty() const { return !pixman_region32_not_empty(const_cast<pixman_region32_t*>(&r_)); }
  bool Contains(int x, int y) const {
    return pixman_region32_contains_point(const_cast<pixman_region32_t*>(&r_), x, y, nullptr);
  }
  bool Overlaps(const RECT& rc) const;
  bool operator==(const Region& o) const {
    return pixman_region32_equal(const_cast<pixman_region32_t*>(&r_),
                                 const_cast<pixman_region32_t*>(&o.r_));
  }
  RECT Bounds() const;
  int Complexity() const;  // NULLREGION, SIMPLEREGION or COMPLEXREGION
  int Count() const { return pixman_region32_n_rects(const_cast<pixman_region32_t*>(&r_)); }
  const pixman_box32_t* Boxes(int* n) const {
    return pixman_region32_rectangles(const_cast<pixman_region32_t*>(&r_), n);
  }
  // The region shrunk by one pixel in x (dx = 1) or y (dy = 1): pixels whose neighbours at
  // the given distance are inside too.
  Region Eroded(int dx, int dy) const;
  // The pixels whose four neighbours are inside too: what is left inside a one-pixel outline.
  Region Inner() const;

 private:
  pixman_region32_t r_;
};

// Rows of a shape: for each row a half-open span; used for ellipses and rounded rectangles.
// Only rows inside [minY, maxY) are produced, so that huge shapes cost what is visible.
struct Span {
  int y, x0, x1;
};
constexpr int kRowLimit = 1 << 16;
std::vector<Span> EllipseSpans(int l, int t, int r, int b, int minY = -kRowLimit, int maxY = kRowLimit);
std::vector<Span> RoundRectSpans(int l, int t, int r, int b, int w, int h, int minY = -kRowLimit,
                                 int maxY = kRowLimit);
Region SpansToRegion(const std::vector<Span>& spans);
Region PolygonRegion(const POINT* pts, const int* counts, int polys, int fillMode,
                     int minY = -kRowLimit, int maxY = kRowLimit);

struct Object {
  explicit Object(Kind k) : kind(k) {}
  virtual ~Object() = default;
  Kind kind;
  bool stock = false;
  int selected = 0;       // references from device contexts (current and saved states)
  bool deleteLater = false;
};

}  // namespace gdi

struct HPEN__ : gdi::Object {
  HPEN__() : Object(gdi::Kind::Pen) {}
  DWORD style = PS_SOLID;  // full style, with type, cap and join bits
  int width = 1;
  COLORREF color = 0;
  bool ext = false;
  bool dcPen = false;  // DC_PEN: colour from the device context
  std::vector<DWORD> user;
};

struct HBRUSH__ : gdi::Object {
  HBRUSH__() : Object(gdi::Kind::Brush) {}
  UINT style = BS_SOLID;
  COLORREF color = 0;
  int hatch = 0;
  int sysColor = -1;   // a GetSysColorBrush brush follows its colour
  bool dcBrush = false;
  // Pattern brushes: up to 8 x 8 pixels, mono patterns as 0 / 0xFFFFFF.
  bool mono = false;
  int pw = 0, ph = 0;
  uint32_t pattern[64] = {};
};

namespace gdi {
struct FontData;
}
struct HFONT__ : gdi::Object {
  HFONT__() : Object(gdi::Kind::Font) {}
  LOGFONT lf;
  std::shared_ptr<gdi::FontData> data;  // resolved on first use
};

struct HBITMAP__ : gdi::Object {
  HBITMAP__() : Object(gdi::Kind::Bitmap) {}
  std::vector<uint32_t> memory;
  TSurface surface;  // borrows memory
  int bpp = 32;      // 1 or 32
  bool dibSection = false;
  bool topDown = true;
  HDC__* selectedInto = nullptr;
};

struct HRGN__ : gdi::Object {
  HRGN__() : Object(gdi::Kind::Region) {}
  gdi::Region rgn;
};

namespace gdi {
struct DcState {
  HPEN__* pen = nullptr;
  HBRUSH__* brush = nullptr;
  HFONT__* font = nullptr;
  HBITMAP__* bitmap = nullptr;
  COLORREF textColor = 0;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int stretchMode = BLACKONWHITE;
  int polyFillMode = ALTERNATE;
  UINT textAlign = 0;
  int charExtra = 0;
  int justExtra = 0, justCount = 0;  // SetTextJustification
  POINT cur, windowOrg, viewportOrg, brushOrg;
  COLORREF dcBrushColor = 0xFFFFFF;
  COLORREF dcPenColor = 0;
  bool hasClip = false;
  Region clip;  // device coordinates
};
}  // namespace gdi

struct HDC__ : gdi::Object {
  HDC__() : Object(gdi::Kind::Dc) {}
  gdi::DcState s;
  std::vector<gdi::DcState> saved;
  bool memory = false;
  TSurface* surface = nullptr;  // surface DCs
  POINT origin;                 // device (0, 0) on the surface
  bool hasSystemClip = false;
  gdi::Region systemClip;  // surface coordinates
  // The effective clip in surface coordinates, rebuilt when something changes.
  bool clipValid = false;
  int clipW = -1, clipH = -1;
  gdi::Region effClip;
  int stylePos = 0;  // position in the pen's dash pattern, kept along connected lines
  // A path: while open, figure calls record logical points instead of drawing.
  enum class PathState { None, Open, Closed } path = PathState::None;
  std::vector<std::vector<POINT>> figures;
  std::vector<bool> figureClosed;
};

namespace gdi {

// Handle validation: the object if the handle is live and of the kind, else null.
Object* Lookup(const void* h);
template <class T>
T* As(const void* h, Kind k) {
  Object* o = Lookup(h);
  return o && o->kind == k ? static_cast<T*>(o) : nullptr;
}
inline HDC__* Dc(HDC h) { return As<HDC__>(h, Kind::Dc); }
inline HPEN__* Pen(const void* h) { return As<HPEN__>(h, Kind::Pen); }
inline HBRUSH__* Brush(const void* h) { return As<HBRUSH__>(h, Kind::Brush); }
inline HFONT__* Font(const void* h) { return As<HFONT__>(h, Kind::Font); }
inline HBITMAP__* Bitmap(const void* h) { return As<HBITMAP__>(h, Kind::Bitmap); }
inline HRGN__* Rgn(const void* h) { return As<HRGN__>(h, Kind::Region); }

void ForEachObject(void (*fn)(Object*));
void AddRef(Object* o);   // selected into a state
void Release(Object* o);  // deselected; performs a deferred delete
HBITMAP__* NewBitmap(int w, int h, int bpp);

// The surface a DC draws into (null when it has none) and whether it is monochrome.
TSurface* Target(HDC__* dc);
bool IsMono(HDC__* dc);
const Region& EffectiveClip(HDC__* dc);  // surface coordinates
void InvalidateClip(HDC__* dc);
// Logical to surface coordinates.
inline int SX(HDC__* dc, int x) { return x - dc->s.windowOrg.X + dc->s.viewportOrg.X + dc->origin.X; }
inline int SY(HDC__* dc, int y) { return y - dc->s.windowOrg.Y + dc->s.viewportOrg.Y + dc->origin.Y; }
RECT ToSurface(HDC__* dc, RECT r);  // normalised
uint32_t DevicePixel(HDC__* dc, COLORREF c);  // a colour as it lands on this DC's surface

// Raster: a paint source for spans. Brush pixels may be transparent (hatch gaps).
struct Paint {
  enum Mode { Solid, Pattern } mode = Solid;
  uint32_t color = 0;
  uint32_t pat[64] = {};
  uint64_t opaque = ~uint64_t(0);  // bit i: pattern pixel i is drawn
  int px = 0, py = 0;              // surface coordinates of the pattern origin
  bool none = false;               // null pen or brush
};
Paint PenPaint(HDC__* dc);
Paint BrushPaint(HDC__* dc, HBRUSH__* brush);
inline uint32_t PaintAt(const Paint& p, int x, int y, bool* draw) {
  if (p.mode == Paint::Solid) { *draw = true; return p.color; }
  int i = (((y - p.py) & 7) << 3) | ((x - p.px) & 7);
  *draw = (p.opaque >> i) & 1;
  return p.pat[i];
}
uint32_t Rop2(int rop2, uint32_t pen, uint32_t dst);
uint32_t Rop3(uint8_t index, uint32_t pat, uint32_t src, uint32_t dst);

// A pen line from (x0, y0) to (x1, y1) in surface coordinates, end point excluded (unless
// includeEnd), in the DC's pen, style and ROP2.
void PenLine(HDC__* dc, int x0, int y0, int x1, int y1, bool includeEnd = false);
// Fills a region (surface coordinates, already clipped) with paint combined by a ROP2 mode.
void FillRegionRop2(TSurface* s, const Region& rgn, const Paint& p, int rop2);
// Fills a rectangle (surface coordinates) clipped to the DC's clip.
void FillRectRop2(HDC__* dc, RECT r, const Paint& p, int rop2);
void FillRegionClipped(HDC__* dc, Region rgn, const Paint& p, int rop2);
void FillSpansClipped(HDC__* dc, const std::vector<Span>& spans, const Paint& p, int rop2);
void SetSurfacePixel(HDC__* dc, int sx, int sy, uint32_t pixel, int rop2);

// Fonts: the FreeType side lives in Fonts.cpp.
struct GlyphRun;
HFONT__* CurrentFont(HDC__* dc);

// System colour pixel.
inline uint32_t SysPixel(int index) { return ColorRefToPixel(GetSysColor(index)); }

// Scoped pen/brush helpers for drawing with system colours inside the layer.
void FillSolid(HDC__* dc, RECT logical, COLORREF c);

}  // namespace gdi
