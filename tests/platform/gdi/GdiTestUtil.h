// A small canvas for graphics tests: a memory DC with a 32-bit bitmap filled white.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "gdi/Gdi.h"

inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kRed = RGB(255, 0, 0);

struct Canvas {
  HDC dc = nullptr;
  HBITMAP bmp = nullptr;
  HGDIOBJ oldBmp = nullptr;
  int w, h;
  Canvas(int width, int height, COLORREF fill = kWhite) : w(width), h(height) {
    dc = CreateCompatibleDC(nullptr);
    bmp = CreateBitmap(width, height, 1, 32, nullptr);
    oldBmp = SelectObject(dc, bmp);
    Clear(fill);
  }
  ~Canvas() {
    SelectObject(dc, oldBmp);
    DeleteDC(dc);
    DeleteObject(bmp);
  }
  void Clear(COLORREF c) {
    TSurface* s = GetBitmapSurface(bmp);
    s->Fill(ColorRefToPixel(c));
  }
  COLORREF At(int x, int y) const { return PixelToColorRef(GetBitmapSurface(bmp)->At(x, y) & 0xFFFFFF); }
  // The pixels that differ from c, as a string of rows ('#' differs, '.' equals).
  std::string Mask(COLORREF background) const {
    std::string s;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) s += At(x, y) == background ? '.' : '#';
      s += '\n';
    }
    return s;
  }
  // Bounding box of pixels different from the background; empty when none.
  RECT Ink(COLORREF background) const {
    RECT r(w, h, 0, 0);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (At(x, y) != background) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r.IsEmpty() ? RECT() : r;
  }
  std::vector<uint32_t> Pixels() const {
    TSurface* s = GetBitmapSurface(bmp);
    std::vector<uint32_t> v;
    for (int y = 0; y < h; ++y) v.insert(v.end(), s->Row(y), s->Row(y) + w);
    return v;
  }
};

// Selects a GDI object for the scope and deletes it afterwards.
struct Selected {
  HDC dc;
  HGDIOBJ obj, old;
  Selected(HDC d, HGDIOBJ o) : dc(d), obj(o), old(SelectObject(d, o)) {}
  ~Selected() {
    SelectObject(dc, old);
    DeleteObject(obj);
  }
};
