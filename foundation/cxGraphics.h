// The drawing base of the library: TcxCanvas (a wrapper of the platform canvas with clip
// algebra, saved device states, framed and tiled fills, bevels, image and text output driven
// by the library's own text flags), TcxRegion, the 32-bit TcxBitmap with its pixel filters,
// composition of glyphs and image-list images (normal, disabled, blended), the alpha-aware
// image list TcxImageList, parent-background painting and a few colour helpers.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/cxGeometry.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"
#include "vcl/ImgList.h"

class TcxCanvas;

// ---- library text flags --------------------------------------------------------------------

// A 16-bit set. Exactly one horizontal (ctfLeft, ctfRight, ctfHCenter) and one vertical
// (ctfTop, ctfBottom, ctfVCenter) alignment is expected.
using TcxTextFlags = Integer;
constexpr TcxTextFlags ctfLeft = 0x1, ctfRight = 0x2, ctfHCenter = 0x4, ctfTop = 0x8,
                       ctfBottom = 0x10, ctfVCenter = 0x20, ctfSingleLine = 0x40,
                       ctfNoClip = 0x80, ctfExpandTabs = 0x100, ctfShowPrefix = 0x200,
                       ctfWordBreak = 0x400, ctfEndEllipsis = 0x800, ctfMeasureOnly = 0x1000,
                       ctfPathEllipsis = 0x2000, ctfKeepWords = 0x4000;
constexpr TcxTextFlags ctfHorzMask = ctfLeft | ctfRight | ctfHCenter;
constexpr TcxTextFlags ctfVertMask = ctfTop | ctfBottom | ctfVCenter;

// The platform DrawText format for library flags (starts from DT_NOPREFIX).
UINT TranslateTextFlags(TcxTextFlags flags);

// ---- view parameters -----------------------------------------------------------------------

// The resolved view parameters of a style: nothing here is owned.
struct TcxStyleParams {
  TBitmap* Bitmap = nullptr;
  TColor Color = clDefault;
  TFont* Font = nullptr;
  TColor TextColor = clDefault;
};

// ---- regions -------------------------------------------------------------------------------

// Combine operations of TcxRegion::CombineWith (platform RGN_COPY, RGN_OR, RGN_DIFF, RGN_AND).
constexpr Integer roSet = 0, roAdd = 1, roSubtract = 2, roIntersect = 3;

// Owns one platform region.
class TcxRegion : public TObject {
  KORVAN_CLASS(TcxRegion, TObject)

 public:
  TcxRegion();                        // the empty rectangular region (0, 0, 0, 0)
  explicit TcxRegion(HRGN handle);    // takes ownership of the handle
  explicit TcxRegion(const TRect& r);
  TcxRegion(Integer left, Integer top, Integer right, Integer bottom);
  ~TcxRegion() override;
  TcxRegion(const TcxRegion&) = delete;
  TcxRegion& operator=(const TcxRegion&) = delete;

  static TcxRegion* CreateFromHandle(HRGN handle) { return new TcxRegion(handle); }
  static TcxRegion* CreateFromRect(const TRect& r) { return new TcxRegion(r); }
  static TcxRegion* CreateFromCoords(Integer l, Integer t, Integer r, Integer b) { return new TcxRegion(l, t, r, b); }
  static TcxRegion* CreateEmpty() { return new TcxRegion(); }

  HRGN Handle() const { return handle_; }
  // Operation roSet (this := a copy of region), roAdd, roSubtract (this minus region) or
  // roIntersect; frees region afterwards when destroyRegion (a nil region does nothing).
  void CombineWith(TcxRegion* region, Integer operation, bool destroyRegion = true);
  bool IsEmpty() const;
  // False for nil; true when both are empty or equal.
  bool EqualsRegion(const TcxRegion* region) const;
  bool IsEqualToHandle(HRGN rgn) const;
  void ShiftBy(Integer dX, Integer dY);
  bool ContainsPoint(const TPoint& p) const { return ContainsXY(p.X, p.Y); }
  bool ContainsXY(Integer x, Integer y) const;
  TRect BoundsRect() const;
  // Hands the handle to the caller; the region keeps a new empty one.
  HRGN ReleaseHandle();

 private:
  HRGN handle_;
};

// ---- canvas --------------------------------------------------------------------------------

class TcxImageList;

class TcxCanvas : public TObject {
  KORVAN_CLASS(TcxCanvas, TObject)

 public:
  using CreateArgType = TCanvas*;
  // Wraps a canvas it does not own.
  explicit TcxCanvas(TCanvas* canvas);
  ~TcxCanvas() override;
  static TcxCanvas* CreateOnCanvas(TCanvas* canvas) { return new TcxCanvas(canvas); }

  TCanvas* Canvas() const { return canvas_; }

  // access
  TBrush* CurrentBrush() const { return canvas_->Brush(); }
  TFont* CurrentFont() const { return canvas_->Font(); }
  TPen* CurrentPen() const { return canvas_->Pen(); }
  HDC DeviceContext() const { return canvas_->Handle(); }  // created on demand
  // The device context with the canvas font selected, for text drawn on the context itself.
  HDC FontDeviceContext();
  void ApplyFont(TFont* font);
  void SetBrushColor(TColor color);  // assigns only when different

  // origins
  TPoint ViewportOrigin() const;
  TPoint WindowOrigin() const;
  TPoint DeviceOrigin() const;  // viewport minus window origin
  void SetWindowOrigin(const TPoint& p);

  // device state
  void PushDeviceState();
  void PopDeviceState();  // nothing on an empty stack
  Integer SavedStateCount() const { return Integer(savedStates_.size()); }
  void CaptureViewParams(TcxStyleParams& params) const;
  void RestoreViewParams(const TcxStyleParams& params);

  // clipping
  void ExcludeFromClip(const TRect& r);
  void IntersectClip(const TRect& r);
  // A new region owned by the caller; (0, 0, 30000, 30000) when there is no clip region.
  TcxRegion* CopyClipRegion(bool considerOrigin = true) const;
  void ApplyClipRegion(TcxRegion* region, Integer operation = roSet, bool destroyRegion = true,
                       bool considerOrigin = true);
  bool IsRectFullyVisible(const TRect& r) const;
  bool IsRectPartlyVisible(const TRect& r) const;

  // fills and frames
  void FillRectColor(const TRect& r, TColor color = clDefault);
  void FillBackground(const TRect& r, TBitmap* bitmap = nullptr, bool excludeRect = false);
  void DrawFrameSides(const TRect& r, TColor color, Integer lineWidth = 1,
                      const TcxBorders& borders = cxBordersAll, bool excludeFrame = false);
  void FillFramedArea(const TRect& r, const TcxStyleParams& params, const TcxBorders& borders,
                      TColor borderColor, Integer lineWidth = 1, bool excludeRect = false);
  void DrawTwoColorFrame(const TRect& r, TColor topLeftColor, TColor bottomRightColor,
                         const TcxBorders& borders = cxBordersAll, Integer lineWidth = 1);
  void DrawBevelEdge(const TRect& r, bool sunken, bool outer, const TcxBorders& borders = cxBordersAll);
  void DrawFocusFrame(const TRect& r);
  void InvertArea(const TRect& r);
  void InvertFrame(const TRect& r, Integer width);

  // lines and shapes
  void MovePenTo(Integer x, Integer y);
  void DrawLineTo(Integer x, Integer y);
  void DrawPolygon(const TPoint* points, Integer count);
  void DrawPolyline(const TPoint* points, Integer count);
  void PutPixel(Integer x, Integer y, TColor color);
  // The graphics layer has no paths: drawing between the two calls goes to the device
  // context as it is.
  void StartPathCapture() {}
  void EndPathCapture() {}

  // images
  void CopyFromCanvas(const TRect& destRect, TcxCanvas* source, const TRect& sourceRect);
  void CopyFromCanvas(const TRect& destRect, TCanvas* source, const TRect& sourceRect);
  void DrawGraphic(Integer x, Integer y, TGraphic* graphic);
  void DrawGlyph(Integer x, Integer y, TBitmap* glyph, bool enabled = true, TColor bkColor = clNone);
  void DrawImageListItem(TCustomImageList* images, Integer x, Integer y, Integer index,
                         bool enabled = true);
  // Rotates (code 1 and 2 swap width and height) and/or mirrors the bitmap's pixels.
  static void RotateBitmapPixels(TBitmap* bitmap, Integer angleCode, bool mirror);

  // text
  void OutputText(const String& text, TRect r, TcxTextFlags flags = ctfLeft | ctfTop,
                  bool enabled = true);
  void MeasureTextRect(const String& text, TRect& r, TcxTextFlags flags);
  TSize MeasureTextSize(const String& text);
  Integer MeasureTextWidth(const String& text) { return MeasureTextSize(text).cx; }
  Integer MeasureTextHeight(const String& text) { return MeasureTextSize(text).cy; }
  Integer MeasureFontHeight(TFont* font);
  // The canvas font drawn at angle degrees (counter-clockwise).
  void RotateFont(Integer angle);

 protected:
  void ResetCanvas(TCanvas* canvas) { canvas_ = canvas; }

 private:
  TCanvas* canvas_;
  std::vector<int> savedStates_;
};

// A canvas on the screen device context (a device context of no window).
class TScreenCanvas : public TCanvas {
  KORVAN_CLASS(TScreenCanvas, TCanvas)

 public:
  TScreenCanvas() = default;
  ~TScreenCanvas() override;
  void ReleaseScreenDC();

 protected:
  void CreateHandle() override;

 private:
  HDC screenDC_ = nullptr;
};

class TcxScreenCanvas : public TcxCanvas {
  KORVAN_CLASS(TcxScreenCanvas, TcxCanvas)

 public:
  TcxScreenCanvas();
  ~TcxScreenCanvas() override;
  static TcxScreenCanvas* CreateOnScreen() { return new TcxScreenCanvas(); }

 private:
  std::unique_ptr<TScreenCanvas> screenCanvas_;
};

// Created on first use, freed when the graphics unit ends.
TcxScreenCanvas* LazyScreenCanvas();

bool GetBitmapObjectInfo(HBITMAP handle, BITMAP& info);

// ---- text helpers --------------------------------------------------------------------------

// The platform DrawText (count -1: the whole string); its return value.
int CallDrawText(HDC dc, const String& text, TRect& r, Integer count, UINT format);
// The platform ExtTextOut (count -1: the whole string); true on success.
bool CallExtTextOut(HDC dc, const String& text, const TPoint& p, Integer count, UINT options,
                    const TRect& r);
// The narrowest word-wrapped rectangle in which the text takes at most lineCount lines of
// "Wg"; with fixHeight its Bottom is that height.
TRect FitTextInLines(HDC dc, const String& text, Integer lineCount, bool fixHeight);
TSize TextSizeOnDC(HDC dc, const String& text);
// Measured on LazyScreenCanvas with the font (size replaced when size is not 0).
void MeasureTextInFont(TFont* font, const String& text, Integer size, TSize& extent);
Integer MeasureTextWidthInFont(TFont* font, const String& text, Integer size = 0);
Integer MeasureTextHeightInFont(TFont* font, const String& text, Integer size = 0);
bool GetFontObjectInfo(HFONT handle, LOGFONT& logFont);
bool IsMirroredScriptText(Byte charset, const String& text);

// ---- 32-bit pixels -------------------------------------------------------------------------

// Pixels as 0xAARRGGBB (bytes blue, green, red, alpha); alpha-carrying pixels are
// premultiplied; 0 is the transparent black pixel.
using TRGBQuadValue = uint32_t;
using TRGBColors = std::vector<TRGBQuadValue>;

// The colour resolved to RGB (system colours included) in pixel order, alpha on top.
TRGBQuadValue ColorToRGBQuad(TColor color, Byte alpha = 0);

// 24-bit pixel colours (alpha byte cleared).
class TcxColorList : public TObject {
  KORVAN_CLASS(TcxColorList, TObject)

 public:
  TcxColorList() = default;
  void AddColor(TColor color);
  void AddPixel(TRGBQuadValue pixel) { items_.push_back(pixel & 0x00FFFFFFu); }
  bool ContainsPixel(TRGBQuadValue pixel) const;
  Integer Count() const { return Integer(items_.size()); }
  void Clear() { items_.clear(); }

 private:
  std::vector<TRGBQuadValue> items_;
};

enum class TcxPixelFilter {
  MakeOpaque,        // alpha := 255
  TransparencyMask,  // 0xFFFFFFFF for transparent pixels, else 0
  FixAlpha,          // opaque-looking pixels with alpha 0 get alpha 255
  DisabledTint,      // luminance grey, then the shadow colour blended over it
  AlphaGrey          // grey by the weights of alpha images
};

// A 32-bit bitmap with pixel filters and a list of colours that count as transparent.
class TcxBitmap : public TBitmap {
  KORVAN_CLASS(TcxBitmap, TBitmap)

 public:
  TcxBitmap() : TcxBitmap(0, 0) {}
  TcxBitmap(Integer width, Integer height);  // cleared to the transparent black pixel
  ~TcxBitmap() override;
  static TcxBitmap* CreateSized(Integer width, Integer height) { return new TcxBitmap(width, height); }
  static TcxBitmap* CreateForRect(const TRect& r) { return new TcxBitmap(r.Width(), r.Height()); }

  TRect ClientRect() const { return TRect(0, 0, Width(), Height()); }
  // Pixels top-down, row after row.
  void ReadPixels(TRGBColors& pixels) const;
  void WritePixels(const TRGBColors& pixels);
  void ClearPixels();
  void CopyFrom(TBitmap* src, DWORD rop = SRCCOPY);
  // this := this AND NOT mask: pixels under white mask pixels become 0.
  void CutOutMask(TcxBitmap* mask);
  void AddEmbossEdge(TcxBitmap* mask, Integer offset, TColor color);
  void ApplyPixelFilter(TcxPixelFilter filter);
  bool HasAlphaChannel() const;
  bool IsTransparentPixel(TRGBQuadValue pixel) const;
  // Blends this bitmap onto dest at destRect (stretched when the sizes differ).
  void BlendOnto(TBitmap* dest, const TRect& destRect, bool smooth = false, Byte alpha = 255);
  TcxColorList* TransparentColors() { return &transparentColors_; }

 private:
  TcxColorList transparentColors_;
};

TBitmap* CreateSizedBitmap(Integer width, Integer height, TPixelFormat format = pf32bit);
TBitmap* CreateBitmapOfSize(const TSize& size, TPixelFormat format = pf32bit);
TBitmap* CreateBitmapOfRect(const TRect& r, TPixelFormat format = pf32bit);
// A new 32-bit bitmap of the rect's size: black, then the DC's pixels at the rect.
TcxBitmap* CopyDCArea(HDC dc, const TRect& r);
void StretchCopyBitmap(TBitmap* dest, TBitmap* src);
void BitBltRect(HDC destDC, HDC srcDC, const TRect& destRect, DWORD rop, const TPoint& srcTopLeft);
// Copies r moved by srcOffset in src to r moved by destOffset in dest.
void CopyBitmapRect(TBitmap* dest, TBitmap* src, const TPoint& destOffset, const TRect& r,
                    const TPoint& srcOffset);
bool GlyphHasImage(TBitmap* bitmap);
bool ImageIndexValid(TCustomImageList* images, Integer index);

void InitPixelHeader(BITMAPINFO& header, TBitmap* bitmap, bool topDown);
void ReadBitmapPixels(TBitmap* bitmap, bool topDown, TRGBColors& pixels);
// Writing empties the array.
void WriteBitmapPixels(TBitmap* bitmap, TRGBColors& pixels, bool topDown);

// dst := src over dst with constant alpha (single-precision formula of the library).
void BlendPixel(TRGBQuadValue src, TRGBQuadValue& dst, Byte alpha);
// Blends src onto dest over dest's size.
void BlendBitmapOnto(TBitmap* dest, TBitmap* src, Byte alpha);
void BlendDCArea(HDC destDC, HDC srcDC, const TRect& destRect, const TRect& srcRect,
                 bool smooth = false, Byte alpha = 255);
void BlendBitmapArea(TBitmap* dest, TBitmap* src, const TRect& destRect, const TRect& srcRect,
                     bool smooth = false, Byte alpha = 255);

// Draws a glyph, or an image-list image when there is no usable glyph, over a copy of the
// background: state 0 normal, 1 disabled. Draws nothing without a glyph or a valid index.
void DrawImageWithState(HDC dc, const TRect& glyphRect, const TRect& backgroundRect,
                        TBitmap* glyph, TCustomImageList* images, Integer imageIndex,
                        Integer state, bool smooth = false, HBRUSH bkBrush = nullptr,
                        TColor transparentColor = clNone, bool useGlyphTransparency = true);

// An image list that draws through DrawImageWithState (alpha, masks, disabled look).
class TcxImageList : public TDragImageList {
  KORVAN_CLASS(TcxImageList, TDragImageList)

 public:
  explicit TcxImageList(TComponent* owner);
  TcxImageList(TComponent* owner, Integer width, Integer height);
  void Assign(TPersistent* source) override;

  bool AlphaBlending() const { return alphaBlending_; }
  void SetAlphaBlending(bool v) { alphaBlending_ = v; }
  // Adds an image with its mask (nullptr: none; white mask pixels are transparent).
  Integer AddBitmapPair(TBitmap* image, TBitmap* mask);
  void BeginImageUpdate() { ++updateCount_; }
  void EndImageUpdate(bool notify = true);
  bool IsUpdating() const { return updateCount_ > 0; }
  void DoDraw(Integer index, TCanvas* canvas, Integer x, Integer y, TDrawingStyle style,
              bool enabled = true);
  void DrawInRect(Integer index, TCanvas* canvas, const TRect& r, TDrawingStyle style = dsNormal,
                  bool stretch = false, bool smooth = false, bool enabled = true);
  // Copies source images first..last (last -1: to the end; clamped to the source).
  void CopyImages(TCustomImageList* source, Integer first = 0, Integer last = -1);

 protected:
  void Change() override;

 private:
  bool alphaBlending_ = true;
  Integer updateCount_ = 0;
};

// Copies the cell sourceRect of a bitmap into `bitmap` (sized to the cell).
void ExtractImageListBitmap(HBITMAP bitmapHandle, TBitmap* bitmap, const TRect& sourceRect);
// The colour image and/or the mask (white = transparent) of an image-list item; targets
// stay untouched when the item does not exist.
void GetImageListItemBitmaps(TCustomImageList* list, Integer index, TBitmap* maskBitmap,
                             TBitmap* imageBitmap);

// ---- others --------------------------------------------------------------------------------

// Side 0..3: left, top, right, bottom. penColor clDefault: the brush colour inverted.
void DrawDragInsertionArrows(TcxCanvas* canvas, const TRect& r, Integer side, TColor brushColor,
                             TColor penColor = clDefault);
void PaintControlParentBackground(TControl* control, TcxCanvas* canvas, const TRect& r);
void PaintControlParentBackgroundOnCanvas(TControl* control, TCanvas* canvas, const TRect& r);
void PaintParentUnderControl(TControl* control, TcxCanvas* canvas, const TRect& r, bool withSiblings);
TColor NearestScreenColor(TColor color);
TColor MixSystemColorsByPercent(Integer facePct, Integer highlightPct, Integer windowPct);
TColor PressedBlendColor();
TColor HotTrackBlendColor();

// The graphics unit's start and end (its end frees LazyScreenCanvas).
void InitializeCxGraphics();
