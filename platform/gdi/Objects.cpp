// The handle table, stock objects and the life cycle of pens, brushes, fonts, bitmaps and
// regions: creation, selection into device contexts, deletion and GetObject.
#include <cstring>
#include <algorithm>
#include <unordered_map>

#include "gdi/GdiInternal.h"

namespace gdi {

namespace {
// Handle value (the pointer to the derived object) -> object.
std::unordered_map<const void*, Object*>& Live() {
  static std::unordered_map<const void*, Object*> live;
  return live;
}
}  // namespace

Object* Lookup(const void* h) {
  if (!h) return nullptr;
  auto& live = Live();
  auto it = live.find(h);
  return it == live.end() ? nullptr : it->second;
}

namespace {
// The handle value of an object: a pointer to the derived type, as a void*.
void* HandleOf(Object* o) {
  switch (o->kind) {
    case Kind::Pen: return static_cast<HPEN__*>(o);
    case Kind::Brush: return static_cast<HBRUSH__*>(o);
    case Kind::Font: return static_cast<HFONT__*>(o);
    case Kind::Bitmap: return static_cast<HBITMAP__*>(o);
    case Kind::Region: return static_cast<HRGN__*>(o);
    case Kind::Dc: return static_cast<HDC__*>(o);
  }
  return nullptr;
}

void Destroy(Object* o) {
  Live().erase(HandleOf(o));
  delete o;
}

template <class T>
T* Make() {
  T* o = new T();
  Live()[static_cast<void*>(o)] = o;
  return o;
}
}  // namespace

void ForEachObject(void (*fn)(Object*)) {
  for (auto& [h, o] : Live()) fn(o);
}

void AddRef(Object* o) {
  if (o && !o->stock) ++o->selected;
}

void Release(Object* o) {
  if (!o || o->stock) return;
  if (--o->selected <= 0) {
    o->selected = 0;
    if (o->kind == Kind::Bitmap) static_cast<HBITMAP__*>(o)->selectedInto = nullptr;
    if (o->deleteLater) Destroy(o);
  }
}

HBITMAP__* NewBitmap(int w, int h, int bpp) {
  if (w < 0 || h < 0) return nullptr;
  if (int64_t(w) * h > (int64_t(1) << 28)) return nullptr;  // over 1 GB of pixels
  auto* b = Make<HBITMAP__>();
  b->bpp = bpp;
  b->memory.assign(size_t(w) * size_t(h), 0u);
  b->surface = TSurface::Borrow(b->memory.empty() ? nullptr : b->memory.data(), w, h, w);
  return b;
}

}  // namespace gdi

using namespace gdi;

// ---- stock objects -------------------------------------------------------------------------

namespace {
HGDIOBJ stock[20] = {};

HBRUSH__* StockBrush(UINT style, COLORREF c) {
  auto* b = Make<HBRUSH__>();
  b->style = style;
  b->color = c;
  b->stock = true;
  return b;
}
HPEN__* StockPen(DWORD style, COLORREF c) {
  auto* p = Make<HPEN__>();
  p->style = style;
  p->color = c;
  p->stock = true;
  return p;
}
HFONT__* StockFont(const char* face, int height, int pitch) {
  auto* f = Make<HFONT__>();
  f->lf.lfHeight = height;
  f->lf.lfPitchAndFamily = BYTE(pitch);
  std::strncpy(f->lf.lfFaceName, face, sizeof(f->lf.lfFaceName) - 1);
  f->stock = true;
  return f;
}

void MakeStock() {
  if (stock[0]) return;
  stock[WHITE_BRUSH] = StockBrush(BS_SOLID, 0xFFFFFF);
  stock[LTGRAY_BRUSH] = StockBrush(BS_SOLID, 0xC0C0C0);
  stock[GRAY_BRUSH] = StockBrush(BS_SOLID, 0x808080);
  stock[DKGRAY_BRUSH] = StockBrush(BS_SOLID, 0x404040);
  stock[BLACK_BRUSH] = StockBrush(BS_SOLID, 0);
  stock[NULL_BRUSH] = StockBrush(BS_NULL, 0);
  stock[WHITE_PEN] = StockPen(PS_SOLID, 0xFFFFFF);
  stock[BLACK_PEN] = StockPen(PS_SOLID, 0);
  stock[NULL_PEN] = StockPen(PS_NULL, 0);
  stock[OEM_FIXED_FONT] = StockFont("Courier New", -13, FIXED_PITCH);
  stock[ANSI_FIXED_FONT] = StockFont("Courier New", -13, FIXED_PITCH);
  stock[ANSI_VAR_FONT] = StockFont("MS Sans Serif", -11, VARIABLE_PITCH);
  stock[SYSTEM_FONT] = StockFont("MS Sans Serif", -13, VARIABLE_PITCH);
  stock[DEVICE_DEFAULT_FONT] = StockFont("MS Sans Serif", -13, VARIABLE_PITCH);
  stock[SYSTEM_FIXED_FONT] = StockFont("Courier New", -13, FIXED_PITCH);
  stock[DEFAULT_GUI_FONT] = StockFont("MS Sans Serif", -11, VARIABLE_PITCH);
  auto* dcb = StockBrush(BS_SOLID, 0xFFFFFF);
  dcb->dcBrush = true;
  stock[DC_BRUSH] = dcb;
  auto* dcp = StockPen(PS_SOLID, 0);
  dcp->dcPen = true;
  stock[DC_PEN] = dcp;
}

HBITMAP__* InitialBitmap() {
  static HBITMAP__* b = [] {
    HBITMAP__* m = gdi::NewBitmap(1, 1, 1);
    m->stock = true;
    return m;
  }();
  return b;
}
}  // namespace

HGDIOBJ GetStockObject(int index) {
  MakeStock();
  if (index < 0 || index >= 20) return nullptr;
  return stock[index];
}

// ---- generic object calls ------------------------------------------------------------------

BOOL DeleteObject(HGDIOBJ h) {
  Object* o = Lookup(h);
  if (!o || o->kind == Kind::Dc) return FALSE;
  if (o->stock) return TRUE;
  if (o->selected > 0) {
    // A selected bitmap cannot go; pens, brushes and fonts go when they are deselected.
    if (o->kind == Kind::Bitmap) return FALSE;
    o->deleteLater = true;
    return TRUE;
  }
  Destroy(o);
  return TRUE;
}

DWORD GetObjectType(HGDIOBJ h) {
  Object* o = Lookup(h);
  if (!o) return 0;
  switch (o->kind) {
    case Kind::Pen: return static_cast<HPEN__*>(o)->ext ? OBJ_EXTPEN : OBJ_PEN;
    case Kind::Brush: return OBJ_BRUSH;
    case Kind::Font: return OBJ_FONT;
    case Kind::Bitmap: return OBJ_BITMAP;
    case Kind::Region: return OBJ_REGION;
    case Kind::Dc: return static_cast<HDC__*>(o)->memory ? OBJ_MEMDC : OBJ_DC;
  }
  return 0;
}

int GetObject(HGDIOBJ h, int size, void* buffer) {
  Object* o = Lookup(h);
  if (!o) return 0;
  auto put = [&](const auto& value) -> int {
    int n = int(sizeof(value));
    if (!buffer) return n;
    if (size < n) return 0;
    std::memcpy(buffer, &value, size_t(n));
    return n;
  };
  switch (o->kind) {
    case Kind::Pen: {
      auto* p = static_cast<HPEN__*>(o);
      LOGPEN lp;
      lp.lopnStyle = p->style;
      lp.lopnWidth = {p->width, 0};
      lp.lopnColor = p->color;
      return put(lp);
    }
    case Kind::Brush: {
      auto* b = static_cast<HBRUSH__*>(o);
      LOGBRUSH lb;
      lb.lbStyle = b->style;
      lb.lbColor = b->sysColor >= 0 ? GetSysColor(b->sysColor) : b->color;
      lb.lbHatch = ULONG_PTR(b->hatch);
      return put(lb);
    }
    case Kind::Font: return put(static_cast<HFONT__*>(o)->lf);
    case Kind::Bitmap: {
      auto* b = static_cast<HBITMAP__*>(o);
      BITMAP bm;
      bm.bmWidth = b->surface.Width();
      bm.bmHeight = b->surface.Height();
      bm.bmBitsPixel = WORD(b->bpp);
      bm.bmWidthBytes = b->bpp == 1 ? ((bm.bmWidth + 15) / 16) * 2 : bm.bmWidth * 4;
      bm.bmBits = b->dibSection && !b->memory.empty() ? b->memory.data() : nullptr;
      return put(bm);
    }
    default: return 0;
  }
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  HDC__* dc = Dc(hdc);
  Object* o = Lookup(h);
  if (!dc || !o) return nullptr;
  auto swap = [](auto*& slot, auto* obj) -> HGDIOBJ {
    auto* old = slot;
    if (old == obj) return old;
    AddRef(obj);
    slot = obj;
    Release(old);
    return old;
  };
  switch (o->kind) {
    case Kind::Pen: return swap(dc->s.pen, static_cast<HPEN__*>(o));
    case Kind::Brush: return swap(dc->s.brush, static_cast<HBRUSH__*>(o));
    case Kind::Font: return swap(dc->s.font, static_cast<HFONT__*>(o));
    case Kind::Bitmap: {
      auto* b = static_cast<HBITMAP__*>(o);
      if (!dc->memory) return nullptr;
      if (!b->stock && b->selected > 0 && b->selectedInto != dc) return nullptr;
      HGDIOBJ old = swap(dc->s.bitmap, b);
      if (!b->stock) b->selectedInto = dc;
      InvalidateClip(dc);
      return old;
    }
    case Kind::Region:
      return reinterpret_cast<HGDIOBJ>(intptr_t(SelectClipRgn(hdc, static_cast<HRGN>(h))));
    case Kind::Dc: return nullptr;
  }
  return nullptr;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  HDC__* dc = Dc(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_PEN: return dc->s.pen;
    case OBJ_BRUSH: return dc->s.brush;
    case OBJ_FONT: return dc->s.font;
    case OBJ_BITMAP: return dc->s.bitmap;
    default: return nullptr;
  }
}

// ---- pens and brushes ----------------------------------------------------------------------

HPEN CreatePen(int style, int width, COLORREF color) {
  if (style < 0 || (style & PS_STYLE_MASK) > PS_INSIDEFRAME) return nullptr;
  auto* p = Make<HPEN__>();
  p->style = DWORD(style);
  p->width = width < 1 ? 1 : width;
  p->color = color & 0xFFFFFF;
  // Styled lines need a width of 1; wider styled pens draw solid, as the platform does.
  DWORD s = p->style & PS_STYLE_MASK;
  if (p->width > 1 && s >= PS_DASH && s <= PS_DASHDOTDOT) p->style = PS_SOLID;
  return p;
}

HPEN CreatePenIndirect(const LOGPEN* lp) {
  if (!lp) return nullptr;
  return CreatePen(int(lp->lopnStyle), lp->lopnWidth.X, lp->lopnColor);
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount,
                  const DWORD* styles) {
  if (!brush) return nullptr;
  DWORD s = style & PS_STYLE_MASK;
  bool cosmetic = (style & PS_TYPE_MASK) == PS_COSMETIC;
  if (s == PS_ALTERNATE && !cosmetic) return nullptr;
  if (cosmetic && width != 1) return nullptr;
  if (s == PS_USERSTYLE) {
    if (styleCount == 0 || styleCount > 16 || !styles) return nullptr;
  } else if (styleCount != 0 || styles) {
    return nullptr;
  }
  auto* p = Make<HPEN__>();
  p->ext = true;
  p->style = style;
  p->width = int(width < 1 ? 1 : width);
  p->color = brush->lbColor & 0xFFFFFF;
  if (s == PS_USERSTYLE) p->user.assign(styles, styles + styleCount);
  return p;
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto* b = Make<HBRUSH__>();
  b->color = color & 0xFFFFFF;
  return b;
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
  auto* b = Make<HBRUSH__>();
  b->style = BS_HATCHED;
  b->hatch = hatch;
  b->color = color & 0xFFFFFF;
  return b;
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  HBITMAP__* bm = Bitmap(bitmap);
  if (!bm || bm->surface.Empty()) return nullptr;
  auto* b = Make<HBRUSH__>();
  b->style = BS_PATTERN;
  b->mono = bm->bpp == 1;
  b->pw = std::min(8, bm->surface.Width());
  b->ph = std::min(8, bm->surface.Height());
  b->hatch = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      b->pattern[y * 8 + x] = bm->surface.At(x % b->pw, y % b->ph) & 0xFFFFFF;
  return b;
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
  if (!lb) return nullptr;
  switch (lb->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(lb->lbColor);
    case BS_NULL: {
      auto* b = Make<HBRUSH__>();
      b->style = BS_NULL;
      return b;
    }
    case BS_HATCHED: return CreateHatchBrush(int(lb->lbHatch), lb->lbColor);
    case BS_PATTERN:
    case BS_PATTERN8X8: return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb->lbHatch));
    default: return nullptr;
  }
}

HBRUSH GetSysColorBrush(int index) {
  static HBRUSH__* brushes[COLOR_ENDCOLORS + 1] = {};
  if (index < 0 || index > COLOR_ENDCOLORS) return nullptr;
  if (!brushes[index]) {
    brushes[index] = StockBrush(BS_SOLID, 0);
    brushes[index]->sysColor = index;
  }
  return brushes[index];
}

COLORREF SetDCBrushColor(HDC hdc, COLORREF color) {
  HDC__* dc = Dc(hdc);
  if (!dc) return CLR_INVALID;
  COLORREF old = dc->s.dcBrushColor;
  dc->s.dcBrushColor = color & 0xFFFFFF;
  return old;
}

COLORREF SetDCPenColor(HDC hdc, COLORREF color) {
  HDC__* dc = Dc(hdc);
  if (!dc) return CLR_INVALID;
  COLORREF old = dc->s.dcPenColor;
  dc->s.dcPenColor = color & 0xFFFFFF;
  return old;
}

// ---- fonts ---------------------------------------------------------------------------------

HFONT CreateFontIndirect(const LOGFONT* lf) {
  if (!lf) return nullptr;
  auto* f = Make<HFONT__>();
  f->lf = *lf;
  f->lf.lfFaceName[sizeof(f->lf.lfFaceName) - 1] = 0;
  return f;
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight,
                 DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                 DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                 const char* faceName) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = BYTE(italic != 0);
  lf.lfUnderline = BYTE(underline != 0);
  lf.lfStrikeOut = BYTE(strikeOut != 0);
  lf.lfCharSet = BYTE(charSet);
  lf.lfOutPrecision = BYTE(outPrecision);
  lf.lfClipPrecision = BYTE(clipPrecision);
  lf.lfQuality = BYTE(quality);
  lf.lfPitchAndFamily = BYTE(pitchAndFamily);
  if (faceName) std::strncpy(lf.lfFaceName, faceName, sizeof(lf.lfFaceName) - 1);
  return CreateFontIndirect(&lf);
}

// ---- device contexts: creation and deletion ------------------------------------------------

namespace {
void InitState(HDC__* dc) {
  MakeStock();
  dc->s.pen = static_cast<HPEN__*>(stock[BLACK_PEN]);
  dc->s.brush = static_cast<HBRUSH__*>(stock[WHITE_BRUSH]);
  dc->s.font = static_cast<HFONT__*>(stock[SYSTEM_FONT]);
}
void ReleaseState(gdi::DcState& s) {
  Release(s.pen);
  Release(s.brush);
  Release(s.font);
  Release(s.bitmap);
  s.pen = nullptr;
  s.brush = nullptr;
  s.font = nullptr;
  s.bitmap = nullptr;
}
}  // namespace

namespace gdi {
void RefState(DcState& s) {
  AddRef(s.pen);
  AddRef(s.brush);
  AddRef(s.font);
  AddRef(s.bitmap);
}
void UnrefState(DcState& s) { ReleaseState(s); }
}  // namespace gdi

HDC CreateCompatibleDC(HDC other) {
  if (other && !Dc(other)) return nullptr;
  auto* dc = Make<HDC__>();
  dc->memory = true;
  InitState(dc);
  dc->s.bitmap = InitialBitmap();
  return dc;
}

HDC CreateSurfaceDC(TSurface* surface, POINT deviceOrigin, HRGN systemClip) {
  if (!surface) return nullptr;
  auto* dc = Make<HDC__>();
  InitState(dc);
  dc->surface = surface;
  dc->origin = deviceOrigin;
  if (HRGN__* r = Rgn(systemClip)) {
    dc->hasSystemClip = true;
    dc->systemClip = r->rgn;
  }
  return dc;
}

BOOL DeleteDC(HDC hdc) {
  HDC__* dc = Dc(hdc);
  if (!dc) return FALSE;
  for (auto& s : dc->saved) ReleaseState(s);
  ReleaseState(dc->s);
  Destroy(dc);
  return TRUE;
}

// ---- regions: creation ---------------------------------------------------------------------

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  auto* r = Make<HRGN__>();
  r->rgn.SetRect(RECT(std::min(left, right), std::min(top, bottom), std::max(left, right),
                      std::max(top, bottom)));
  return r;
}

HRGN CreateRectRgnIndirect(const RECT* rc) {
  if (!rc) return nullptr;
  return CreateRectRgn(rc->Left, rc->Top, rc->Right, rc->Bottom);
}

HRGN CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
  auto* g = Make<HRGN__>();
  g->rgn = SpansToRegion(RoundRectSpans(std::min(l, r), std::min(t, b), std::max(l, r),
                                        std::max(t, b), w, h));
  return g;
}

HRGN CreateEllipticRgn(int l, int t, int r, int b) {
  auto* g = Make<HRGN__>();
  g->rgn = SpansToRegion(
      EllipseSpans(std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)));
  return g;
}

HRGN CreateEllipticRgnIndirect(const RECT* rc) {
  if (!rc) return nullptr;
  return CreateEllipticRgn(rc->Left, rc->Top, rc->Right, rc->Bottom);
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
  if (!points || count < 0) return nullptr;
  auto* g = Make<HRGN__>();
  if (count >= 3) g->rgn = PolygonRegion(points, &count, 1, fillMode);
  return g;
}

// ---- bitmaps: creation ---------------------------------------------------------------------

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (width < 0 || height < 0 || planes != 1) return nullptr;
  if (bitsPerPixel != 1 && bitsPerPixel != 32) return nullptr;
  HBITMAP__* b = NewBitmap(width, height, int(bitsPerPixel));
  if (!b) return nullptr;
  if (bits) {
    const auto* src = static_cast<const uint8_t*>(bits);
    if (bitsPerPixel == 1) {
      size_t rowBytes = size_t((width + 15) / 16) * 2;
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
          bool set = (src[size_t(y) * rowBytes + size_t(x / 8)] >> (7 - x % 8)) & 1;
          b->surface.At(x, y) = set ? 0xFFFFFF : 0;
        }
    } else {
      std::memcpy(b->memory.data(), src, b->memory.size() * 4);
    }
  }
  return b;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  HDC__* dc = hdc ? Dc(hdc) : nullptr;
  if (hdc && !dc) return nullptr;
  bool mono = dc && dc->memory && dc->s.bitmap && dc->s.bitmap->bpp == 1;
  return NewBitmap(width, height, mono ? 1 : 32);
}

TSurface* GetBitmapSurface(HBITMAP bitmap) {
  HBITMAP__* b = Bitmap(bitmap);
  return b ? &b->surface : nullptr;
}

int GetBitmapBitsPerPixel(HBITMAP bitmap) {
  HBITMAP__* b = Bitmap(bitmap);
  return b ? b->bpp : 0;
}

BOOL GetBitmapDimensionEx(HBITMAP bitmap, SIZE* size) {
  HBITMAP__* b = Bitmap(bitmap);
  if (!b || !size) return FALSE;
  *size = {0, 0};
  return TRUE;
}
