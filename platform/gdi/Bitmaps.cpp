// Device-independent bitmaps: DIB sections and the transfer of pixels in 1, 4, 8, 24 and
// 32 bits per pixel, top-down or bottom-up.
#include <algorithm>
#include <cstring>

#include "gdi/GdiInternal.h"

using namespace gdi;

namespace {
constexpr RGBQUAD kVga[16] = {
    {0, 0, 0, 0},       {0, 0, 128, 0},     {0, 128, 0, 0},     {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0},   {128, 128, 0, 0},   {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0},     {0, 255, 0, 0},     {0, 255, 255, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0},   {255, 255, 0, 0},   {255, 255, 255, 0}};

// The colour table written for 8-bit requests: a 6 x 6 x 6 cube, then greys.
RGBQUAD Palette8(int i) {
  if (i < 216) {
    auto v = [](int k) { return BYTE(k * 51); };
    return {v(i % 6), v((i / 6) % 6), v(i / 36), 0};
  }
  BYTE g = BYTE((i - 216) * 255 / 39);
  return {g, g, g, 0};
}

int Luma(uint32_t p) { return int((p >> 16) & 0xFF) + int((p >> 8) & 0xFF) + int(p & 0xFF); }

int Nearest(const RGBQUAD* table, int n, uint32_t p) {
  int r = int((p >> 16) & 0xFF), g = int((p >> 8) & 0xFF), b = int(p & 0xFF);
  int best = 0, bestD = INT32_MAX;
  for (int i = 0; i < n; ++i) {
    int dr = r - table[i].rgbRed, dg = g - table[i].rgbGreen, db = b - table[i].rgbBlue;
    int d = dr * dr + dg * dg + db * db;
    if (d < bestD) {
      bestD = d;
      best = i;
    }
  }
  return best;
}

uint32_t FromQuad(const RGBQUAD& q) { return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue; }

size_t Stride(int width, int bpp) { return size_t((int64_t(width) * bpp + 31) / 32) * 4; }

bool ValidDepth(int bpp) { return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32; }
}  // namespace

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE,
                         DWORD) {
  if (bits) *bits = nullptr;
  if (hdc && !Dc(hdc)) return nullptr;
  if (!info) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  int w = h.biWidth, ht = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  if (h.biBitCount != 32 || w <= 0 || ht <= 0) return nullptr;
  if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return nullptr;
  HBITMAP__* b = NewBitmap(w, ht, 32);
  if (!b) return nullptr;
  b->dibSection = true;
  b->topDown = h.biHeight < 0;
  if (!b->topDown)
    b->surface = TSurface::Borrow(b->memory.data() + size_t(ht - 1) * size_t(w), w, ht, -w);
  if (bits) *bits = b->memory.data();
  return b;
}

int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage) {
  HBITMAP__* b = Bitmap(hbm);
  if (!b || !info || (hdc && !Dc(hdc))) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  int W = b->surface.Width(), H = b->surface.Height();
  if (!bits) {
    // Describe the bitmap.
    if (h.biBitCount == 0) {
      h.biWidth = W;
      h.biHeight = H;
      h.biPlanes = 1;
      h.biBitCount = WORD(b->bpp);
      h.biCompression = BI_RGB;
    }
    if (!ValidDepth(h.biBitCount)) return 0;
    h.biSizeImage = DWORD(Stride(W, h.biBitCount) * size_t(H));
    if (h.biBitCount == 1) {
      info->bmiColors[0] = {0, 0, 0, 0};
      info->bmiColors[1] = {255, 255, 255, 0};
    } else if (h.biBitCount == 4) {
      std::copy(std::begin(kVga), std::end(kVga), info->bmiColors);
    } else if (h.biBitCount == 8) {
      for (int i = 0; i < 256; ++i) info->bmiColors[i] = Palette8(i);
    }
    return H > 0 ? H : 1;
  }
  int bpp = h.biBitCount;
  if (!ValidDepth(bpp) || h.biWidth != W || (h.biHeight != H && h.biHeight != -H)) return 0;
  bool topDown = h.biHeight < 0;
  if (start >= UINT(H)) return 0;
  UINT count = std::min<UINT>(lines, UINT(H) - start);
  size_t stride = Stride(W, bpp);
  int n = bpp == 1 ? 2 : bpp == 4 ? 16 : bpp == 8 ? 256 : 0;
  if (bpp == 1) {
    info->bmiColors[0] = {0, 0, 0, 0};
    info->bmiColors[1] = {255, 255, 255, 0};
  } else if (bpp == 4) {
    std::copy(std::begin(kVga), std::end(kVga), info->bmiColors);
  } else if (bpp == 8) {
    for (int i = 0; i < 256; ++i) info->bmiColors[i] = Palette8(i);
  }
  auto* out = static_cast<uint8_t*>(bits);
  for (UINT k = 0; k < count; ++k) {
    UINT scan = start + k;
    int y = topDown ? int(scan) : H - 1 - int(scan);
    const uint32_t* row = b->surface.Row(y);
    uint8_t* o = out + size_t(k) * stride;
    std::memset(o, 0, stride);
    for (int x = 0; x < W; ++x) {
      uint32_t p = row[x];
      switch (bpp) {
        case 1:
          if (Luma(p) >= 384) o[x / 8] |= uint8_t(0x80 >> (x % 8));
          break;
        case 4: o[x / 2] |= uint8_t(Nearest(info->bmiColors, n, p) << (x % 2 ? 0 : 4)); break;
        case 8: {
          auto c6 = [](uint32_t v) { return int((v + 25) / 51); };
          o[x] = uint8_t(c6(p & 0xFF) + 6 * c6((p >> 8) & 0xFF) + 36 * c6((p >> 16) & 0xFF));
          break;
        }
        case 24:
          o[x * 3] = uint8_t(p);
          o[x * 3 + 1] = uint8_t(p >> 8);
          o[x * 3 + 2] = uint8_t(p >> 16);
          break;
        case 32: std::memcpy(o + x * 4, &p, 4); break;
      }
    }
  }
  h.biSizeImage = DWORD(stride * size_t(H));
  return int(count);
}

int SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT lines, const void* bits,
              const BITMAPINFO* info, UINT usage) {
  HBITMAP__* b = Bitmap(hbm);
  if (!b || !info || !bits || (hdc && !Dc(hdc))) return 0;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  int bpp = h.biBitCount;
  if (!ValidDepth(bpp) || (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && bpp == 32)))
    return 0;
  int W = b->surface.Width(), H = b->surface.Height();
  int srcW = h.biWidth, srcH = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  if (srcW <= 0 || srcH <= 0) return 0;
  bool topDown = h.biHeight < 0;
  if (start >= UINT(srcH)) return 0;
  UINT count = std::min<UINT>(lines, UINT(srcH) - start);
  size_t stride = Stride(srcW, bpp);
  int ncolors = bpp <= 8 ? int(h.biClrUsed ? std::min<DWORD>(h.biClrUsed, 256) : 1u << bpp) : 0;
  auto* in = static_cast<const uint8_t*>(bits);
  bool mono = b->bpp == 1;
  for (UINT k = 0; k < count; ++k) {
    UINT scan = start + k;
    int y = topDown ? int(scan) : srcH - 1 - int(scan);
    if (y < 0 || y >= H) continue;
    const uint8_t* row = in + size_t(k) * stride;
    uint32_t* d = b->surface.Row(y);
    for (int x = 0; x < std::min(W, srcW); ++x) {
      uint32_t p = 0;
      auto idx = [&](int i) { return i < ncolors ? FromQuad(info->bmiColors[i]) : 0u; };
      switch (bpp) {
        case 1: p = idx((row[x / 8] >> (7 - x % 8)) & 1); break;
        case 4: p = idx((row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF); break;
        case 8: p = idx(row[x]); break;
        case 24: p = uint32_t(row[x * 3]) | (uint32_t(row[x * 3 + 1]) << 8) | (uint32_t(row[x * 3 + 2]) << 16); break;
        case 32: std::memcpy(&p, row + x * 4, 4); break;
      }
      d[x] = mono ? (Luma(p) >= 384 ? 0xFFFFFF : 0) : p;
    }
  }
  return int(count);
}

int StretchDIBits(HDC hdc, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
  if (!Dc(hdc) || !info || !bits) return 0;
  int W = info->bmiHeader.biWidth, H = info->bmiHeader.biHeight;
  H = H < 0 ? -H : H;
  if (W <= 0 || H <= 0) return 0;
  HBITMAP tmp = CreateBitmap(W, H, 1, 32, nullptr);
  if (!tmp) return 0;
  int rows = SetDIBits(nullptr, tmp, 0, UINT(H), bits, info, usage);
  HDC mem = CreateCompatibleDC(hdc);
  HGDIOBJ old = SelectObject(mem, tmp);
  // Source y counts from the bottom for bottom-up bitmaps.
  int top = info->bmiHeader.biHeight > 0 ? H - sy - sh : sy;
  StretchBlt(hdc, x, y, w, h, mem, sx, top, sw, sh, rop);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(tmp);
  return rows ? h : 0;
}
