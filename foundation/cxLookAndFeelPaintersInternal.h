// Small drawing helpers shared by the painter sources (not part of the painters' interface).
#pragma once

#include "foundation/cxGraphics.h"

namespace painters_detail {

TRect Deflated(const TRect& r, Integer d);
void SetPenColor(TcxCanvas* canvas, TColor color);
void Line(TcxCanvas* canvas, Integer x0, Integer y0, Integer x1, Integer y1);
void SolidBrush(TcxCanvas* canvas);
void ClearBrush(TcxCanvas* canvas);
// Applies the font (when given) and the text colour (unless clDefault or clNone).
void PrepareFont(TcxCanvas* canvas, TFont* font, TColor color);

// A one-pixel frame: color1 on the left and top, color2 on the right and bottom.
inline void Frame(TcxCanvas* canvas, const TRect& r, TColor color1, TColor color2,
                  const TcxBorders& borders = cxBordersAll) {
  canvas->DrawTwoColorFrame(r, color1, color2, borders, 1);
}
// A one-pixel frame in one colour (the brush keeps the colour).
inline void FrameIn(TcxCanvas* canvas, const TRect& r, TColor color) {
  canvas->DrawFrameSides(r, color, 1, cxBordersAll, false);
}

}  // namespace painters_detail
