// Helpers of the canvas, text and bitmap tests: a bitmap with a TcxCanvas on it and pixel
// reads as COLORREF values.
#pragma once

#include <memory>

#include "foundation/cxGraphics.h"

namespace cxtest {

// A 32-bit bitmap filled with one colour, and a TcxCanvas over its canvas.
struct TPaintTarget {
  TBitmap bitmap;
  std::unique_ptr<TcxCanvas> canvas;
  TPaintTarget(int w, int h, TColor fill = clWhite) {
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(w, h);
    bitmap.Canvas()->Brush()->SetColor(fill);
    bitmap.Canvas()->FillRect(TRect(0, 0, w, h));
    canvas = std::make_unique<TcxCanvas>(bitmap.Canvas());
  }
  COLORREF Px(int x, int y) { return PixelToColorRef(static_cast<uint32_t*>(bitmap.ScanLine(y))[x]) & 0xFFFFFF; }
  uint32_t Raw(int x, int y) { return static_cast<uint32_t*>(bitmap.ScanLine(y))[x]; }
  // The bounds of the pixels that differ from `bg` (empty when none).
  TRect InkBounds(COLORREF bg) {
    TRect r(bitmap.Width(), bitmap.Height(), 0, 0);
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        if (Px(x, y) != bg) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r.Left < r.Right ? r : TRect();
  }
  // True when every pixel outside `inside` still has colour bg.
  bool UntouchedOutside(const TRect& inside, COLORREF bg) {
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        if (!inside.Contains({x, y}) && Px(x, y) != bg) return false;
    return true;
  }
};

inline COLORREF Rgb(TColor c) { return ColorToRGB(c) & 0xFFFFFF; }

}  // namespace cxtest
