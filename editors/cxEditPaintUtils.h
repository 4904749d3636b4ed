// Painting utilities and shared routines of the editors: the solid-brush cache, frames and
// lines drawn as filled pixels, arrows, glyphs and images, the look-and-feel painter of an
// editor, button colours and metrics, and a few small non-painting helpers.
#pragma once

#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "rtl/Variants.h"
#include "vcl/Controls.h"

// ---- the solid-brush cache ---------------------------------------------------------------------

// The cached brush of a colour (system colours clSystemColor..clSystemColor + 30 get the
// platform's system-colour brushes). Callers never delete it. A brush pushed out of the cache
// by newer colours stays valid until the message loop runs again, so a painter that holds one
// may keep painting with it.
HBRUSH ObtainSolidBrush(TColor color);
HBRUSH ObtainSolidBrush(TCanvas* canvas, TColor color);
HBRUSH ObtainSolidBrush(TcxCanvas* canvas, TColor color);

class TcxSolidBrushCache : public TObject {
  KORVAN_CLASS(TcxSolidBrushCache, TObject)

 public:
  static constexpr Integer MaxDepth = 128;
  TcxSolidBrushCache();
  ~TcxSolidBrushCache() override;

  HBRUSH Obtain(TColor color);
  // Destroys every cached brush (on a system palette change and at destruction).
  virtual void FlushBrushes();
  Integer Depth() const { return Integer(colors_.size()); }
  // Brushes pushed out of the cache and not yet destroyed.
  Integer RetiredCount() const { return Integer(retired_.size()); }
  // Destroys the brushes pushed out of the cache; runs from the message loop.
  void ReleaseRetiredBrushes();

 private:
  void Retire(HBRUSH brush);

  std::vector<TColor> colors_;
  std::vector<HBRUSH> brushes_;
  std::vector<uint32_t> useCounts_;
  std::vector<HBRUSH> retired_;
  HWND window_ = 0;
  bool releasePosted_ = false;
  class TcxSystemPaletteChangedNotifier* notifier_ = nullptr;
};
TcxSolidBrushCache* SolidBrushCache();

// ---- fills, frames and lines --------------------------------------------------------------

void FillRectWithColor(TcxCanvas* canvas, const TRect& r, TColor color);
void FillRectWithBrush(HDC dc, const TRect& r, HBRUSH brush);
// Rect without InnerRect (the four bands around it), or all of Rect when InnerRect is empty.
void FillRectExcept(TcxCanvas* canvas, const TRect& r, const TRect& inner, HBRUSH brush);
// Bits of the sides of DrawBorderSides.
constexpr Integer cxbsLeftSide = 1, cxbsTopSide = 2, cxbsRightSide = 4, cxbsBottomSide = 8,
                  cxbsAllSides = 15;
// 1-pixel lines on the chosen sides; each drawn side moves r in by one pixel.
void DrawBorderSides(TcxCanvas* canvas, TRect& r, Integer sides, TColor color);
void FrameTwoColorAndShrink(TcxCanvas* canvas, TRect& r, TColor top_left, TColor bottom_right);
void FrameAndShrink(TcxCanvas* canvas, TRect& r, TColor color);
// A polyline through points[0..count) of horizontal and vertical segments.
void DrawOrthogonalPolyline(TcxCanvas* canvas, const TPoint* points, Integer count, TColor color,
                            bool use_brush);

// ---- arrows, glyphs and images ----------------------------------------------------------------

// Direction 0 up, 1 down, 2 left, 3 right.
void DrawArrowTriangles(TcxCanvas* canvas, Integer size, const TRect& r, Integer direction,
                        bool twin, bool pressed, TColor color);
TSize ArrowSizeFor(const TSize& box, Integer direction);
void DrawGlyph(TcxCanvas* canvas, Integer x, Integer y, TBitmap* glyph, bool enabled,
               TColor background_color = clNone, TBitmap* background_bitmap = nullptr);
void DrawImageViaBitmap(TcxCanvas* canvas, TCustomImageList* images, Integer index, const TRect& r,
                        TColor background_color, bool enabled, TBitmap* bitmap = nullptr);
bool IsGlyphAssigned(TBitmap* glyph);
bool IsImageListAssigned(TCustomImageList* images);

// ---- looks and colours ------------------------------------------------------------------------

TcxCustomLookAndFeelPainterClass PainterForLookAndFeel(bool native, TcxLookAndFeelKind kind);
TColor HotTrackTextColor();
TColor HighlightBorderColor(bool is_office11);
TColor UltraFlatButtonFaceColor(bool pressed, bool is_office11);

// ---- shared routines ----------------------------------------------------------------------------

TShiftState MouseButtonToShift(TMouseButton button);
// 0 none, 1 left, 2 right, 3 middle.
TShiftState MouseButtonCodeToShift(Integer code);
void EnlargeSize(TSize& size, const TSize& other);
bool VariantsEqualStrict(const Variant& a, const Variant& b);
bool IsTextSpaceChar(char32_t c);
bool IsRegionEmpty(TcxRegion* region);
void UnionRegion(TcxRegion* region, TcxRegion* other);
void SendKeyDown(TWinControl* control, WORD key);
void SendChar(TWinControl* control, char32_t c);
// The first component up the owner chain of a persistent (the persistent itself when it is
// one), nil when there is none.
TComponent* OwnerComponentOf(TPersistent* persistent);

// The editor properties registry, sorted by description (the grid finds properties classes
// by name through it); created on first use.
class TcxRegisteredClasses* EditPropertiesRegistry();

void InitializeCxEditPaintUtils();
