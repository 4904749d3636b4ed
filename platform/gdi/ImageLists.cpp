// Image lists over two bitmaps: a 32-bit image strip and a monochrome mask strip.
#include <algorithm>
#include <unordered_set>

#include "gdi/CommCtrl.h"
#include "gdi/GdiInternal.h"

struct HIMAGELIST__ {
  int cx = 16, cy = 16;
  UINT flags = 0;
  int count = 0;
  int grow = 4;
  COLORREF bk = CLR_NONE;
  HBITMAP image = nullptr;
  HBITMAP mask = nullptr;
};

using namespace gdi;

namespace {
std::unordered_set<HIMAGELIST__*>& Lists() {
  static std::unordered_set<HIMAGELIST__*> lists;
  return lists;
}

HIMAGELIST__* Get(HIMAGELIST h) { return Lists().count(h) ? h : nullptr; }

bool Masked(HIMAGELIST__* l) { return (l->flags & ILC_MASK) != 0; }
bool Keeps32(HIMAGELIST__* l) { return (l->flags & 0xFE) == ILC_COLOR32; }

// Makes room for n images, keeping the pixels of the first count.
void Reserve(HIMAGELIST__* l, int n) {
  int cap = GetBitmapSurface(l->image)->Width() / l->cx;
  if (n <= cap) return;
  int newCap = std::max(n, cap + std::max(1, l->grow));
  auto regrow = [&](HBITMAP& bmp, int bpp) {
    HBITMAP b = CreateBitmap(newCap * l->cx, l->cy, 1, UINT(bpp), nullptr);
    TSurface* from = GetBitmapSurface(bmp);
    TSurface* to = GetBitmapSurface(b);
    for (int y = 0; y < l->cy; ++y) std::copy(from->Row(y), from->Row(y) + from->Width(), to->Row(y));
    DeleteObject(bmp);
    bmp = b;
  };
  regrow(l->image, 32);
  if (l->mask) regrow(l->mask, 1);
}

// Copies one image cell from a source bitmap (column k of its strip) into list cell index.
void PutCell(HIMAGELIST__* l, int index, TSurface* src, int k, TSurface* msk, COLORREF* key) {
  TSurface* img = GetBitmapSurface(l->image);
  TSurface* m = l->mask ? GetBitmapSurface(l->mask) : nullptr;
  uint32_t keyPixel = key ? ColorRefToPixel(*key) : 0;
  for (int y = 0; y < l->cy; ++y)
    for (int x = 0; x < l->cx; ++x) {
      int sx = k * l->cx + x;
      bool inside = sx < src->Width() && y < src->Height();
      uint32_t p = inside ? src->At(sx, y) : 0;
      if (!Keeps32(l)) p &= 0xFFFFFF;
      bool transparent = false;
      if (key && inside) transparent = (p & 0xFFFFFF) == keyPixel;
      if (msk && sx < msk->Width() && y < msk->Height()) transparent = (msk->At(sx, y) & 0xFFFFFF) != 0;
      if (key && transparent) p = 0;
      img->At(index * l->cx + x, y) = p;
      if (m) m->At(index * l->cx + x, y) = transparent ? 0xFFFFFF : 0;
    }
}

uint32_t Mix(uint32_t a, uint32_t b, int wa) {  // wa/255 of a, the rest of b (colour only)
  uint32_t r = 0;
  for (int sh = 0; sh < 24; sh += 8) {
    int v = (int((a >> sh) & 0xFF) * wa + int((b >> sh) & 0xFF) * (255 - wa) + 127) / 255;
    r |= uint32_t(v) << sh;
  }
  return r;
}
}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
  if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096) return nullptr;
  auto* l = new HIMAGELIST__();
  l->cx = cx;
  l->cy = cy;
  l->flags = flags;
  l->grow = std::max(1, grow);
  int cap = std::clamp(initial, 1, 256);
  l->image = CreateBitmap(cap * cx, cy, 1, 32, nullptr);
  if (flags & ILC_MASK) l->mask = CreateBitmap(cap * cx, cy, 1, 1, nullptr);
  Lists().insert(l);
  return l;
}

BOOL ImageList_Destroy(HIMAGELIST h) {
  HIMAGELIST__* l = Get(h);
  if (!l) return FALSE;
  Lists().erase(l);
  DeleteObject(l->image);
  if (l->mask) DeleteObject(l->mask);
  delete l;
  return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST h) {
  HIMAGELIST__* l = Get(h);
  return l ? l->count : 0;
}

BOOL ImageList_SetImageCount(HIMAGELIST h, UINT count) {
  HIMAGELIST__* l = Get(h);
  if (!l || count > 65536) return FALSE;
  Reserve(l, int(count));
  l->count = int(count);
  return TRUE;
}

BOOL ImageList_GetIconSize(HIMAGELIST h, int* cx, int* cy) {
  HIMAGELIST__* l = Get(h);
  if (!l || !cx || !cy) return FALSE;
  *cx = l->cx;
  *cy = l->cy;
  return TRUE;
}

BOOL ImageList_SetIconSize(HIMAGELIST h, int cx, int cy) {
  HIMAGELIST__* l = Get(h);
  if (!l || cx <= 0 || cy <= 0) return FALSE;
  l->cx = cx;
  l->cy = cy;
  l->count = 0;
  DeleteObject(l->image);
  l->image = CreateBitmap(cx, cy, 1, 32, nullptr);
  if (l->mask) {
    DeleteObject(l->mask);
    l->mask = CreateBitmap(cx, cy, 1, 1, nullptr);
  }
  return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST h, COLORREF c) {
  HIMAGELIST__* l = Get(h);
  if (!l) return CLR_NONE;
  COLORREF old = l->bk;
  l->bk = c;
  return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST h) {
  HIMAGELIST__* l = Get(h);
  return l ? l->bk : CLR_NONE;
}

int ImageList_Add(HIMAGELIST h, HBITMAP image, HBITMAP mask) {
  HIMAGELIST__* l = Get(h);
  TSurface* src = GetBitmapSurface(image);
  if (!l || !src || src->Width() < l->cx) return -1;
  TSurface* msk = mask && Masked(l) ? GetBitmapSurface(mask) : nullptr;
  int n = src->Width() / l->cx;
  int first = l->count;
  Reserve(l, first + n);
  for (int k = 0; k < n; ++k) PutCell(l, first + k, src, k, msk, nullptr);
  l->count += n;
  return first;
}

int ImageList_AddMasked(HIMAGELIST h, HBITMAP image, COLORREF key) {
  HIMAGELIST__* l = Get(h);
  TSurface* src = GetBitmapSurface(image);
  if (!l || !src || src->Width() < l->cx) return -1;
  int n = src->Width() / l->cx;
  int first = l->count;
  Reserve(l, first + n);
  COLORREF k0 = key & 0xFFFFFF;
  for (int k = 0; k < n; ++k) PutCell(l, first + k, src, k, nullptr, Masked(l) ? &k0 : nullptr);
  l->count += n;
  return first;
}

BOOL ImageList_Replace(HIMAGELIST h, int index, HBITMAP image, HBITMAP mask) {
  HIMAGELIST__* l = Get(h);
  TSurface* src = GetBitmapSurface(image);
  if (!l || !src || index < 0 || index >= l->count) return FALSE;
  PutCell(l, index, src, 0, mask && Masked(l) ? GetBitmapSurface(mask) : nullptr, nullptr);
  return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST h, int index) {
  HIMAGELIST__* l = Get(h);
  if (!l || index < -1 || index >= l->count) return FALSE;
  if (index == -1) {
    l->count = 0;
    return TRUE;
  }
  for (HBITMAP b : {l->image, l->mask}) {
    if (!b) continue;
    TSurface* s = GetBitmapSurface(b);
    for (int y = 0; y < l->cy; ++y) {
      uint32_t* row = s->Row(y);
      std::copy(row + (index + 1) * l->cx, row + l->count * l->cx, row + index * l->cx);
    }
  }
  --l->count;
  return TRUE;
}

BOOL ImageList_GetImageInfo(HIMAGELIST h, int index, IMAGEINFO* info) {
  HIMAGELIST__* l = Get(h);
  if (!l || !info || index < 0 || index >= l->count) return FALSE;
  info->hbmImage = l->image;
  info->hbmMask = l->mask;
  info->rcImage = RECT(index * l->cx, 0, (index + 1) * l->cx, l->cy);
  return TRUE;
}

BOOL ImageList_DrawIndirect(const IMAGELISTDRAWPARAMS* p) {
  if (!p) return FALSE;
  HIMAGELIST__* l = Get(p->himl);
  HDC__* dc = Dc(p->hdcDst);
  if (!l || !dc || !Target(dc) || p->i < 0 || p->i >= l->count) return FALSE;
  int w = p->cx > 0 ? std::min(p->cx, l->cx) : l->cx;
  int h = p->cy > 0 ? std::min(p->cy, l->cy) : l->cy;
  TSurface* img = GetBitmapSurface(l->image);
  TSurface* msk = l->mask ? GetBitmapSurface(l->mask) : nullptr;
  TSurface* dst = Target(dc);
  const Region& clip = EffectiveClip(dc);
  COLORREF bkc = p->rgbBk == CLR_DEFAULT ? l->bk : p->rgbBk;
  bool transparent = (p->fStyle & ILD_TRANSPARENT) || bkc == CLR_NONE;
  uint32_t bk = DevicePixel(dc, bkc);
  int blend = (p->fStyle & ILD_BLEND50) ? 128 : (p->fStyle & ILD_BLEND25) ? 64 : 0;
  uint32_t fg = DevicePixel(dc, p->rgbFg == CLR_DEFAULT || p->rgbFg == CLR_NONE ? GetSysColor(COLOR_HIGHLIGHT) : p->rgbFg);
  bool grey = p->fState & ILS_SATURATE;
  int alpha = (p->fState & ILS_ALPHA) ? int(std::min<DWORD>(p->Frame, 255)) : 255;
  // A 32-bit image with any alpha draws through its alpha channel.
  bool useAlpha = false;
  if (Keeps32(l))
    for (int y = 0; y < l->cy && !useAlpha; ++y)
      for (int x = 0; x < l->cx; ++x)
        if (img->At(p->i * l->cx + x, y) >> 24) {
          useAlpha = true;
          break;
        }
  int ox = SX(dc, p->x), oy = SY(dc, p->y);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int sx = p->i * l->cx + p->xBitmap + x, sy = p->yBitmap + y;
      if (sx >= (p->i + 1) * l->cx || sy >= l->cy) continue;
      int dx = ox + x, dy = oy + y;
      if (!clip.Contains(dx, dy)) continue;
      uint32_t& d = dst->At(dx, dy);
      bool hole = msk && (msk->At(sx, sy) & 0xFFFFFF) != 0;
      if (p->fStyle & ILD_MASK) {
        d = hole ? 0xFFFFFF : 0;
        continue;
      }
      uint32_t s = img->At(sx, sy);
      int a = useAlpha ? int(s >> 24) : (hole ? 0 : 255);
      if (!useAlpha && hole) {
        if (!transparent) d = bk;
        continue;
      }
      uint32_t c = s & 0xFFFFFF;
      if (grey) {
        int g = (int((c >> 16) & 0xFF) * 77 + int((c >> 8) & 0xFF) * 150 + int(c & 0xFF) * 29 + 128) >> 8;
        c = uint32_t(g) * 0x010101;
      }
      if (blend) c = Mix(fg, c, blend);
      if (useAlpha && !transparent && bkc != CLR_NONE) {
        // Straight alpha over the list's background colour first.
        d = bk;
      }
      int total = a * alpha / 255;
      d = total >= 255 ? c : Mix(c, d & 0xFFFFFF, total);
    }
  return TRUE;
}

BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy,
                      COLORREF bk, COLORREF fg, UINT style) {
  IMAGELISTDRAWPARAMS p;
  p.himl = list;
  p.i = index;
  p.hdcDst = dc;
  p.x = x;
  p.y = y;
  p.cx = dx;
  p.cy = dy;
  p.rgbBk = bk;
  p.rgbFg = fg;
  p.fStyle = style;
  return ImageList_DrawIndirect(&p);
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
  return ImageList_DrawEx(list, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}
