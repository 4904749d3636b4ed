// Pixel surfaces and the device contexts that draw into them.
//
// For the window manager (platform/user):
// - A top-level window owns a TSurface (its backing store; TSurface(width, height), resized
//   with Resize). The screen overlay is one more TSurface.
// - GetDC/BeginPaint of a window: CreateSurfaceDC(&store, origin, clip), where origin is the
//   window's client (or window, for GetWindowDC) top-left in the store's coordinates and clip
//   is the region the window may paint, in store coordinates (visible part minus clipped
//   children; for BeginPaint also intersected with the update region). The DC copies clip;
//   pass null for "the whole surface". ReleaseDC/EndPaint: DeleteDC.
// - A DC kept across calls (class or own DCs) follows moves with SetSurfaceDCOrigin and
//   SetSurfaceDCSystemClip; the application's SelectClipRgn stays separate from the system
//   clip and is combined with it on every drawing call.
// - Scrolling a window's pixels: BitBlt from the DC to itself (overlapping copies are safe).
// - Snapshots for tests: SaveSurfaceToPng; SaveBitmapToPng (Gdi.h) for any HBITMAP.
// - Rectangle helpers (SetRect, OffsetRect, IntersectRect ...), GetSysColor, GetSysColorBrush,
//   GetSystemMetrics and the screen-size setter SetSystemMetric live in gdi/Gdi.h.
//
// Pixel format: one uint32_t per pixel, 0xAARRGGBB (bytes B, G, R, A in memory). Drawing
// calls write colour with alpha 0 and ignore the alpha of what is there; only AlphaBlend
// with AC_SRC_ALPHA reads alpha, as premultiplied per-pixel alpha. A surface shown on screen
// or written as an opaque PNG ignores the alpha byte.
#pragma once

#include <cstdint>
#include <vector>

#include "gdi/WinDef.h"

class TSurface {
 public:
  TSurface() = default;
  // An owned surface, every pixel 0. Zero or negative sizes give an empty surface.
  TSurface(int width, int height);
  // A surface over memory the caller keeps alive; stride in pixels between row starts
  // (negative for rows stored bottom-up, with pixels pointing at the top row).
  static TSurface Borrow(uint32_t* pixels, int width, int height, int stride);
  TSurface(TSurface&&) noexcept;
  TSurface& operator=(TSurface&&) noexcept;
  TSurface(const TSurface&) = delete;
  TSurface& operator=(const TSurface&) = delete;

  // Owned surfaces only: new size, every pixel 0.
  void Resize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Stride() const { return stride_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  bool Owned() const { return !storage_.empty() || pixels_ == nullptr; }
  uint32_t* Row(int y) { return pixels_ + std::ptrdiff_t(y) * stride_; }
  const uint32_t* Row(int y) const { return pixels_ + std::ptrdiff_t(y) * stride_; }
  uint32_t& At(int x, int y) { return Row(y)[x]; }
  uint32_t At(int x, int y) const { return Row(y)[x]; }
  void Fill(uint32_t pixel);

 private:
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
  uint32_t* pixels_ = nullptr;
  std::vector<uint32_t> storage_;
};

// Converts between COLORREF (0x00BBGGRR) and a surface pixel (0x00RRGGBB, alpha 0).
constexpr uint32_t ColorRefToPixel(COLORREF c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr COLORREF PixelToColorRef(uint32_t p) {
  return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}

// A device context over a surface (not owned; it must outlive the DC). deviceOrigin is where
// device point (0, 0) lies on the surface; systemClip (surface coordinates, copied; null for
// the whole surface) bounds everything drawn. Delete with DeleteDC.
HDC CreateSurfaceDC(TSurface* surface, POINT deviceOrigin, HRGN systemClip);
BOOL SetSurfaceDCOrigin(HDC dc, POINT deviceOrigin);
BOOL SetSurfaceDCSystemClip(HDC dc, HRGN systemClip);
// The surface a device context draws into (for a memory DC, its selected bitmap's).
TSurface* GetDCSurface(HDC dc);

// PNG snapshots. Without alpha every pixel is written opaque.
bool SaveSurfaceToPng(const TSurface& surface, const String& path, bool withAlpha = false);
