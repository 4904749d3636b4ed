// Helpers shared by the .cpp files of the graphics unit.
#pragma once

#include "vcl/Graphics.h"

namespace cxgraphics_internal {
// Makes the canvas's handle, font, pen or brush valid (selected into its device context).
void CanvasRequire(TCanvas* canvas, const TCanvasState& state);
// Division rounding toward minus infinity.
Integer FloorDiv(Integer a, Integer b);
}  // namespace cxgraphics_internal
