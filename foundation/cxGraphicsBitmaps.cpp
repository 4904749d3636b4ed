// TcxBitmap and its pixel filters, blending, DrawImageWithState, TcxImageList, glyph drawing,
// drag insertion arrows, parent backgrounds and the system-derived blend colours.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "foundation/cxGraphics.h"
#include "foundation/cxGraphicsInternal.h"
#include "foundation/dxUxTheme.h"
#include "user/Windows.h"

using namespace cxgraphics_internal;

KORVAN_IMPLEMENT_CLASS(TcxColorList)
KORVAN_IMPLEMENT_CLASS(TcxBitmap)
KORVAN_IMPLEMENT_CLASS(TcxImageList)

namespace {
inline Byte A(TRGBQuadValue p) { return Byte(p >> 24); }
inline Byte R(TRGBQuadValue p) { return Byte(p >> 16); }
inline Byte G(TRGBQuadValue p) { return Byte(p >> 8); }
inline Byte B(TRGBQuadValue p) { return Byte(p); }
inline TRGBQuadValue Quad(Byte r, Byte g, Byte b, Byte a) {
  return (TRGBQuadValue(a) << 24) | (TRGBQuadValue(r) << 16) | (TRGBQuadValue(g) << 8) | b;
}

bool UsableBitmap(TBitmap* b) { return b && !b->Empty(); }

// A 32-bit bitmap of the given size with every pixel 0.
void Prepare32(TBitmap* b, Integer w, Integer h) {
  b->SetPixelFormat(pf32bit);
  b->SetSize(w, h);
  if (w > 0 && h > 0)
    for (Integer y = 0; y < h; ++y) std::memset(b->ScanLine(y), 0, size_t(w) * 4);
}
}  // namespace

TRGBQuadValue ColorToRGBQuad(TColor color, Byte alpha) {
  COLORREF c = ColorToRGB(color) & 0xFFFFFF;
  return Quad(GetRValue(c), GetGValue(c), GetBValue(c), alpha);
}

// ---- colour list ---------------------------------------------------------------------------

void TcxColorList::AddColor(TColor color) { AddPixel(ColorToRGBQuad(color, 0)); }

bool TcxColorList::ContainsPixel(TRGBQuadValue pixel) const {
  pixel &= 0x00FFFFFFu;
  return std::find(items_.begin(), items_.end(), pixel) != items_.end();
}

// ---- pixel access --------------------------------------------------------------------------

void InitPixelHeader(BITMAPINFO& header, TBitmap* bitmap, bool topDown) {
  header = BITMAPINFO();
  header.bmiHeader.biSize = 40;
  header.bmiHeader.biWidth = bitmap ? bitmap->Width() : 0;
  header.bmiHeader.biHeight = bitmap ? (topDown ? -bitmap->Height() : bitmap->Height()) : 0;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biCompression = BI_RGB;
}

void ReadBitmapPixels(TBitmap* bitmap, bool topDown, TRGBColors& pixels) {
  pixels.clear();
  if (!UsableBitmap(bitmap)) return;
  Integer w = bitmap->Width(), h = bitmap->Height();
  pixels.resize(size_t(w) * size_t(h));
  for (Integer y = 0; y < h; ++y) {
    Integer row = topDown ? y : h - 1 - y;
    std::memcpy(&pixels[size_t(row) * size_t(w)], bitmap->ScanLine(y), size_t(w) * 4);
  }
}

void WriteBitmapPixels(TBitmap* bitmap, TRGBColors& pixels, bool topDown) {
  if (UsableBitmap(bitmap)) {
    Integer w = bitmap->Width(), h = bitmap->Height();
    if (pixels.size() >= size_t(w) * size_t(h)) {
      for (Integer y = 0; y < h; ++y) {
        Integer row = topDown ? y : h - 1 - y;
        std::memcpy(bitmap->ScanLine(y), &pixels[size_t(row) * size_t(w)], size_t(w) * 4);
      }
    }
  }
  pixels.clear();
}

// ---- bitmaps -------------------------------------------------------------------------------

TBitmap* CreateSizedBitmap(Integer width, Integer height, TPixelFormat format) {
  auto* b = new TBitmap();
  b->SetPixelFormat(format);
  b->SetSize(std::max(0, width), std::max(0, height));
  return b;
}

TBitmap* CreateBitmapOfSize(const TSize& size, TPixelFormat format) {
  return CreateSizedBitmap(size.cx, size.cy, format);
}

TBitmap* CreateBitmapOfRect(const TRect& r, TPixelFormat format) {
  return CreateSizedBitmap(r.Width(), r.Height(), format);
}

TcxBitmap* CopyDCArea(HDC dc, const TRect& r) {
  auto* b = new TcxBitmap(std::max(0, r.Width()), std::max(0, r.Height()));
  if (!b->Empty()) BitBlt(b->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), dc, r.Left, r.Top, SRCCOPY);
  return b;
}

void StretchCopyBitmap(TBitmap* dest, TBitmap* src) {
  if (!UsableBitmap(dest) || !UsableBitmap(src)) return;
  StretchBlt(dest->Canvas()->Handle(), 0, 0, dest->Width(), dest->Height(), src->Canvas()->Handle(), 0, 0,
             src->Width(), src->Height(), SRCCOPY);
}

void BitBltRect(HDC destDC, HDC srcDC, const TRect& destRect, DWORD rop, const TPoint& srcTopLeft) {
  BitBlt(destDC, destRect.Left, destRect.Top, destRect.Width(), destRect.Height(), srcDC, srcTopLeft.X,
         srcTopLeft.Y, rop);
}

void CopyBitmapRect(TBitmap* dest, TBitmap* src, const TPoint& destOffset, const TRect& r, const TPoint& srcOffset) {
  if (!UsableBitmap(dest) || !UsableBitmap(src)) return;
  TRect d = ShiftedRectByPoint(r, destOffset);
  TRect s = ShiftedRectByPoint(r, srcOffset);
  BitBltRect(dest->Canvas()->Handle(), src->Canvas()->Handle(), d, SRCCOPY, s.TopLeft());
}

bool GlyphHasImage(TBitmap* bitmap) { return UsableBitmap(bitmap); }

bool ImageIndexValid(TCustomImageList* images, Integer index) {
  return images && index >= 0 && index < images->Count();
}

// ---- blending ------------------------------------------------------------------------------

void BlendPixel(TRGBQuadValue src, TRGBQuadValue& dst, Byte alpha) {
  float k = float(alpha) / 255.0f;
  float f = 1.0f - float(A(src)) * k / 255.0f;
  auto c = [&](Byte s, Byte d) -> Byte {
    float v = float(s) * k + float(d) * f;
    if (v >= 255.0f) return 255;
    return Byte(std::lround(v));
  };
  dst = Quad(c(R(src), R(dst)), c(G(src), G(dst)), c(B(src), B(dst)), c(A(src), A(dst)));
}

void BlendBitmapOnto(TBitmap* dest, TBitmap* src, Byte alpha) {
  // The library's own formula over whole rows, so every result is exactly BlendPixel's.
  if (!UsableBitmap(dest) || !UsableBitmap(src)) return;
  Integer w = std::min(dest->Width(), src->Width()), h = std::min(dest->Height(), src->Height());
  for (Integer y = 0; y < h; ++y) {
    auto* d = static_cast<TRGBQuadValue*>(dest->ScanLine(y));
    auto* s = static_cast<const TRGBQuadValue*>(src->ScanLine(y));
    for (Integer x = 0; x < w; ++x) BlendPixel(s[x], d[x], alpha);
  }
}

void BlendDCArea(HDC destDC, HDC srcDC, const TRect& destRect, const TRect& srcRect, bool smooth, Byte alpha) {
  (void)smooth;
  if (destRect.Width() <= 0 || destRect.Height() <= 0 || srcRect.Width() <= 0 || srcRect.Height() <= 0) return;
  std::unique_ptr<TcxBitmap> src(CopyDCArea(srcDC, srcRect));
  std::unique_ptr<TcxBitmap> dst(CopyDCArea(destDC, destRect));
  TcxBitmap stretched(destRect.Width(), destRect.Height());
  StretchBlt(stretched.Canvas()->Handle(), 0, 0, destRect.Width(), destRect.Height(), src->Canvas()->Handle(), 0,
             0, srcRect.Width(), srcRect.Height(), SRCCOPY);
  BlendBitmapOnto(dst.get(), &stretched, alpha);
  BitBlt(destDC, destRect.Left, destRect.Top, destRect.Width(), destRect.Height(), dst->Canvas()->Handle(), 0, 0,
         SRCCOPY);
}

void BlendBitmapArea(TBitmap* dest, TBitmap* src, const TRect& destRect, const TRect& srcRect, bool smooth,
                     Byte alpha) {
  if (!UsableBitmap(dest) || !UsableBitmap(src)) return;
  BlendDCArea(dest->Canvas()->Handle(), src->Canvas()->Handle(), destRect, srcRect, smooth, alpha);
}

// ---- TcxBitmap -----------------------------------------------------------------------------

TcxBitmap::TcxBitmap(Integer width, Integer height) {
  SetPixelFormat(pf32bit);
  SetSize(std::max(0, width), std::max(0, height));
  ClearPixels();
}

TcxBitmap::~TcxBitmap() = default;

void TcxBitmap::ReadPixels(TRGBColors& pixels) const {
  ReadBitmapPixels(const_cast<TcxBitmap*>(this), true, pixels);
}

void TcxBitmap::WritePixels(const TRGBColors& pixels) {
  TRGBColors copy = pixels;
  WriteBitmapPixels(this, copy, true);
}

void TcxBitmap::ClearPixels() {
  for (Integer y = 0; y < Height() && Width() > 0; ++y) std::memset(ScanLine(y), 0, size_t(Width()) * 4);
}

void TcxBitmap::CopyFrom(TBitmap* src, DWORD rop) {
  if (!UsableBitmap(src) || Empty()) return;
  BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), src->Canvas()->Handle(), 0, 0, rop);
}

void TcxBitmap::CutOutMask(TcxBitmap* mask) {
  if (!UsableBitmap(mask) || Empty()) return;
  BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), mask->Canvas()->Handle(), 0, 0, 0x00220326);
}

void TcxBitmap::AddEmbossEdge(TcxBitmap* mask, Integer offset, TColor color) {
  if (!UsableBitmap(mask) || Empty()) return;
  Integer w = Width(), h = Height();
  // T: white where the mask is transparent, 0 elsewhere.
  TcxBitmap t(mask->Width(), mask->Height());
  t.CopyFrom(mask);
  // Colour exactly where T is white and the mask pixel `offset` up and left is opaque
  // (destination AND brush AND NOT source).
  HDC tdc = t.Canvas()->Handle();
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  HGDIOBJ old = SelectObject(tdc, brush);
  BitBlt(tdc, offset, offset, t.Width(), t.Height(), mask->Canvas()->Handle(), 0, 0, 0x00200F09);
  SelectObject(tdc, old);
  DeleteObject(brush);
  // Pixels outside the shifted mask keep no colour.
  TRGBColors tp;
  t.ReadPixels(tp);
  for (Integer y = 0; y < t.Height(); ++y)
    for (Integer x = 0; x < t.Width(); ++x)
      if (x < offset || y < offset) tp[size_t(y) * size_t(t.Width()) + size_t(x)] = 0;
  t.WritePixels(tp);
  t.ApplyPixelFilter(TcxPixelFilter::FixAlpha);
  BitBlt(Canvas()->Handle(), offset, offset, w, h, tdc, offset, offset, SRCPAINT);
  Integer shift = offset / 2;
  if (shift > 0) {
    TRGBColors px;
    ReadPixels(px);
    TRGBColors moved(px.size(), 0);
    for (Integer y = 0; y + shift < h; ++y)
      for (Integer x = 0; x + shift < w; ++x)
        moved[size_t(y) * size_t(w) + size_t(x)] = px[size_t(y + shift) * size_t(w) + size_t(x + shift)];
    WritePixels(moved);
  }
}

bool TcxBitmap::IsTransparentPixel(TRGBQuadValue pixel) const {
  return pixel == 0 || transparentColors_.ContainsPixel(pixel);
}

void TcxBitmap::ApplyPixelFilter(TcxPixelFilter filter) {
  if (Empty()) return;
  TRGBColors px;
  ReadBitmapPixels(this, false, px);
  Integer w = Width(), h = Height();
  TRGBQuadValue shadow = ColorToRGBQuad(clBtnShadow, 192);
  for (Integer x = 0; x < w; ++x)
    for (Integer y = 0; y < h; ++y) {
      TRGBQuadValue& p = px[size_t(y) * size_t(w) + size_t(x)];
      switch (filter) {
        case TcxPixelFilter::MakeOpaque: p |= 0xFF000000u; break;
        case TcxPixelFilter::TransparencyMask: p = IsTransparentPixel(p) ? 0xFFFFFFFFu : 0; break;
        case TcxPixelFilter::FixAlpha:
          if (!IsTransparentPixel(p) && A(p) == 0) p |= 0xFF000000u;
          break;
        case TcxPixelFilter::DisabledTint: {
          if (IsTransparentPixel(p)) break;
          Byte g = Byte(std::lround(0.299 * R(p) + 0.587 * G(p) + 0.114 * B(p)));
          p = Quad(g, g, g, A(p));
          BlendPixel(shadow, p, 238);
          break;
        }
        case TcxPixelFilter::AlphaGrey: {
          if (IsTransparentPixel(p)) break;
          Byte g = Byte(std::lround(0.0729 * R(p) + 0.7146 * G(p) + 0.2125 * B(p)));
          p = Quad(g, g, g, A(p));
          break;
        }
      }
    }
  WriteBitmapPixels(this, px, false);
}

bool TcxBitmap::HasAlphaChannel() const {
  for (Integer y = 0; y < Height(); ++y) {
    auto* row = static_cast<const TRGBQuadValue*>(const_cast<TcxBitmap*>(this)->ScanLine(y));
    for (Integer x = 0; x < Width(); ++x)
      if (A(row[x]) != 0) return true;
  }
  return false;
}

void TcxBitmap::BlendOnto(TBitmap* dest, const TRect& destRect, bool smooth, Byte alpha) {
  (void)smooth;
  if (!UsableBitmap(dest) || Empty()) return;
  TRect clipped;
  if (!IntersectRectsOrEmpty(clipped, destRect, TRect(0, 0, dest->Width(), dest->Height()))) return;
  TcxBitmap area(destRect.Width(), destRect.Height());
  if (destRect.Width() == Width() && destRect.Height() == Height())
    area.CopyFrom(this);
  else
    StretchBlt(area.Canvas()->Handle(), 0, 0, area.Width(), area.Height(), Canvas()->Handle(), 0, 0, Width(),
               Height(), SRCCOPY);
  for (Integer y = clipped.Top; y < clipped.Bottom; ++y) {
    auto* d = static_cast<TRGBQuadValue*>(dest->ScanLine(y));
    auto* s = static_cast<const TRGBQuadValue*>(area.ScanLine(y - destRect.Top));
    for (Integer x = clipped.Left; x < clipped.Right; ++x) BlendPixel(s[x - destRect.Left], d[x], alpha);
  }
}

// ---- image lists ---------------------------------------------------------------------------

void ExtractImageListBitmap(HBITMAP bitmapHandle, TBitmap* bitmap, const TRect& sourceRect) {
  TSurface* s = GetBitmapSurface(bitmapHandle);
  if (!s || !bitmap || sourceRect.Width() <= 0 || sourceRect.Height() <= 0) return;
  TBitmap tmp;
  tmp.SetPixelFormat(pf32bit);
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, bitmapHandle);
  Prepare32(bitmap, sourceRect.Width(), sourceRect.Height());
  BitBlt(bitmap->Canvas()->Handle(), 0, 0, sourceRect.Width(), sourceRect.Height(), mem, sourceRect.Left,
         sourceRect.Top, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void GetImageListItemBitmaps(TCustomImageList* list, Integer index, TBitmap* maskBitmap, TBitmap* imageBitmap) {
  // The list keeps each item as premultiplied 32-bit pixels. An item whose alpha is only 0
  // or 255 was added with a mask: its colour image carries no alpha and its mask is white
  // where the alpha is 0. Any other item is an alpha image without a mask.
  if (!ImageIndexValid(list, index)) return;
  TBitmap* item = list->Image(index);
  if (!UsableBitmap(item)) return;
  Integer w = item->Width(), h = item->Height();
  bool masked = true;
  for (Integer y = 0; y < h && masked; ++y) {
    auto* row = static_cast<const TRGBQuadValue*>(item->ScanLine(y));
    for (Integer x = 0; x < w; ++x)
      if (A(row[x]) != 0 && A(row[x]) != 255) {
        masked = false;
        break;
      }
  }
  if (imageBitmap) {
    Prepare32(imageBitmap, w, h);
    for (Integer y = 0; y < h; ++y) {
      auto* s = static_cast<const TRGBQuadValue*>(item->ScanLine(y));
      auto* d = static_cast<TRGBQuadValue*>(imageBitmap->ScanLine(y));
      for (Integer x = 0; x < w; ++x) d[x] = masked ? (s[x] & 0x00FFFFFFu) : s[x];
    }
  }
  if (maskBitmap) {
    Prepare32(maskBitmap, w, h);
    for (Integer y = 0; y < h; ++y) {
      auto* s = static_cast<const TRGBQuadValue*>(item->ScanLine(y));
      auto* d = static_cast<TRGBQuadValue*>(maskBitmap->ScanLine(y));
      for (Integer x = 0; x < w; ++x) d[x] = (masked && A(s[x]) == 0) ? 0x00FFFFFFu : 0;
    }
  }
}

void DrawImageWithState(HDC dc, const TRect& glyphRect, const TRect& backgroundRect, TBitmap* glyph,
                        TCustomImageList* images, Integer imageIndex, Integer state, bool smooth, HBRUSH bkBrush,
                        TColor transparentColor, bool useGlyphTransparency) {
  bool hasGlyph = GlyphHasImage(glyph);
  if (!hasGlyph && !ImageIndexValid(images, imageIndex)) return;
  if (backgroundRect.Width() <= 0 || backgroundRect.Height() <= 0) return;
  // 1. Background
  std::unique_ptr<TcxBitmap> bg;
  if (bkBrush) {
    bg = std::make_unique<TcxBitmap>(backgroundRect.Width(), backgroundRect.Height());
    TRect all = bg->ClientRect();
    FillRect(bg->Canvas()->Handle(), &all, bkBrush);
  } else {
    bg.reset(CopyDCArea(dc, backgroundRect));
  }
  TRect gr = ShiftedRect(glyphRect, -backgroundRect.Left, -backgroundRect.Top);
  // 2. Image
  Integer w = hasGlyph ? glyph->Width() : images->Width();
  Integer h = hasGlyph ? glyph->Height() : images->Height();
  TcxBitmap image(w, h);
  if (hasGlyph)
    image.CopyFrom(glyph);
  else
    GetImageListItemBitmaps(images, imageIndex, nullptr, &image);
  // 3. Alpha
  bool hasAlpha = image.HasAlphaChannel();
  if (!hasAlpha) image.ApplyPixelFilter(TcxPixelFilter::MakeOpaque);
  // 4. Mask
  TcxBitmap mask(w, h);
  mask.CopyFrom(&image);
  if (!hasAlpha) {
    if (!hasGlyph) {
      TcxBitmap itemMask(w, h);
      GetImageListItemBitmaps(images, imageIndex, &itemMask, nullptr);
      itemMask.ApplyPixelFilter(TcxPixelFilter::FixAlpha);
      mask.CutOutMask(&itemMask);
    }
    if (transparentColor != clNone) mask.TransparentColors()->AddColor(transparentColor);
    if (useGlyphTransparency && hasGlyph) {
      TColor tc = glyph->TransparentColor();
      if (tc != clDefault && tc != clNone) mask.TransparentColors()->AddColor(tc);
    }
  }
  mask.ApplyPixelFilter(TcxPixelFilter::TransparencyMask);
  // 5.
  image.CutOutMask(&mask);
  // 6. State
  Byte alpha = 255;
  if (state == 1) {
    if (hasAlpha) {
      image.ApplyPixelFilter(TcxPixelFilter::AlphaGrey);
      alpha = 151;
    } else {
      image.ApplyPixelFilter(TcxPixelFilter::DisabledTint);
      image.AddEmbossEdge(&mask, 1, clBtnHighlight);
    }
  }
  // 7.
  image.BlendOnto(bg.get(), gr, smooth, alpha);
  BitBlt(dc, backgroundRect.Left, backgroundRect.Top, backgroundRect.Width(), backgroundRect.Height(),
         bg->Canvas()->Handle(), 0, 0, SRCCOPY);
}

TcxImageList::TcxImageList(TComponent* owner) : TDragImageList(owner) {}
TcxImageList::TcxImageList(TComponent* owner, Integer width, Integer height) : TDragImageList(owner, width, height) {}

void TcxImageList::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TCustomImageList*>(source);
  if (!src) {
    TDragImageList::Assign(source);
    return;
  }
  BeginImageUpdate();
  try {
    // Size and settings from the source, then its images copied one by one.
    SetWidth(src->Width());
    SetHeight(src->Height());
    SetBkColor(src->BkColor());
    SetBlendColor(src->BlendColor());
    SetDrawingStyle(src->DrawingStyle());
    SetImageType(src->ImageType());
    SetAllocBy(src->AllocBy());
    Clear();
    CopyImages(src, 0, -1);
  } catch (...) {
    EndImageUpdate(true);
    throw;
  }
  EndImageUpdate(true);
}

Integer TcxImageList::AddBitmapPair(TBitmap* image, TBitmap* mask) {
  Integer index = -1;
  if (UsableBitmap(image)) {
    // An image carrying alpha keeps it; otherwise the mask decides transparency.
    TcxBitmap probe(image->Width(), image->Height());
    probe.CopyFrom(image);
    if (!UsableBitmap(mask) && probe.HasAlphaChannel()) {
      BeginImageUpdate();
      index = AddAlpha(image);
      EndImageUpdate(false);
    } else {
      BeginImageUpdate();
      index = Add(image, UsableBitmap(mask) ? mask : nullptr);
      EndImageUpdate(false);
    }
  }
  Change();
  return index;
}

void TcxImageList::EndImageUpdate(bool notify) {
  if (updateCount_ <= 0) return;
  --updateCount_;
  if (notify) Change();
}

void TcxImageList::Change() {
  if (!IsUpdating()) TDragImageList::Change();
}

void TcxImageList::DoDraw(Integer index, TCanvas* canvas, Integer x, Integer y, TDrawingStyle style, bool enabled) {
  if (!canvas) return;
  if (!alphaBlending_) {
    Draw(canvas, x, y, index, enabled);
    return;
  }
  DrawInRect(index, canvas, Bounds(x, y, Width(), Height()), style, false, false, enabled);
}

void TcxImageList::DrawInRect(Integer index, TCanvas* canvas, const TRect& r, TDrawingStyle style, bool stretch,
                              bool smooth, bool enabled) {
  (void)style;
  if (!canvas) return;
  TRect glyphRect = stretch ? r : CenteredRect(r, Width(), Height());
  DrawImageWithState(canvas->Handle(), glyphRect, r, nullptr, this, index, enabled ? 0 : 1, smooth, nullptr, clNone,
                     true);
}

void TcxImageList::CopyImages(TCustomImageList* source, Integer first, Integer last) {
  if (!source) return;
  last = last == -1 ? source->Count() - 1 : std::min(source->Count() - 1, last);
  first = std::max(0, first);
  TBitmap image, mask;
  for (Integer i = first; i <= last; ++i) {
    GetImageListItemBitmaps(source, i, &mask, &image);
    // An item without a mask pixel is stored as an alpha image (or opaque).
    AddBitmapPair(&image, &mask);
  }
}

// ---- glyphs --------------------------------------------------------------------------------

void TcxCanvas::DrawGlyph(Integer x, Integer y, TBitmap* glyph, bool enabled, TColor bkColor) {
  if (!GlyphHasImage(glyph)) return;
  Integer w = glyph->Width(), h = glyph->Height();
  if (enabled) {
    // Brush copy: the glyph's transparent colour becomes the brush (or stays unpainted with
    // a clear brush).
    TBrushStyle style = canvas_->Brush()->Style();
    if (bkColor == clNone)
      canvas_->Brush()->SetStyle(bsClear);
    else
      SetBrushColor(bkColor);
    TRect dest = Bounds(x, y, w, h);
    std::unique_ptr<TcxBitmap> area(CopyDCArea(DeviceContext(), dest));
    TRGBQuadValue key = ColorToRGBQuad(glyph->TransparentColor(), 0);
    TRGBQuadValue brush = ColorToRGBQuad(canvas_->Brush()->Color(), 0);
    bool clear = canvas_->Brush()->Style() == bsClear;
    for (Integer row = 0; row < h; ++row) {
      auto* s = static_cast<const TRGBQuadValue*>(glyph->ScanLine(row));
      auto* d = static_cast<TRGBQuadValue*>(area->ScanLine(row));
      for (Integer col = 0; col < w; ++col) {
        if ((s[col] & 0xFFFFFF) == key)
          d[col] = clear ? d[col] : brush;
        else
          d[col] = s[col] & 0xFFFFFF;
      }
    }
    BitBlt(DeviceContext(), dest.Left, dest.Top, w, h, area->Canvas()->Handle(), 0, 0, SRCCOPY);
    if (canvas_->Brush()->Style() != style) canvas_->Brush()->SetStyle(style);
    return;
  }
  TcxImageList list(nullptr, w, h);
  TColor key = glyph->TransparentMode() == tmFixed ? glyph->TransparentColor() : glyph->TransparentColor();
  list.AddMasked(glyph, key);
  if (bkColor != clNone) {
    TBitmap bmp;
    bmp.SetPixelFormat(pf32bit);
    bmp.SetSize(w, h);
    bmp.Canvas()->Brush()->SetColor(bkColor);
    bmp.Canvas()->FillRect(TRect(0, 0, w, h));
    list.DrawInRect(0, bmp.Canvas(), TRect(0, 0, w, h), dsNormal, false, false, false);
    BitBlt(DeviceContext(), x, y, w, h, bmp.Canvas()->Handle(), 0, 0, SRCCOPY);
  } else {
    list.DrawInRect(0, canvas_, Bounds(x, y, w, h), dsNormal, false, false, false);
  }
}

// ---- others --------------------------------------------------------------------------------

void DrawDragInsertionArrows(TcxCanvas* canvas, const TRect& r, Integer side, TColor brushColor, TColor penColor) {
  if (!canvas || side < 0 || side > 3) return;
  static const TPoint down[7] = {{0, -1}, {-5, -6}, {-2, -6}, {-2, -9}, {2, -9}, {2, -6}, {5, -6}};
  static const TPoint up[7] = {{0, 0}, {5, 5}, {2, 5}, {2, 8}, {-2, 8}, {-2, 5}, {-5, 5}};
  static const TPoint right[7] = {{-1, 0}, {-6, -5}, {-6, -2}, {-9, -2}, {-9, 2}, {-6, 2}, {-6, 5}};
  static const TPoint left[7] = {{0, 0}, {5, 5}, {5, 2}, {8, 2}, {8, -2}, {5, -2}, {5, -5}};
  TPoint a1, a2;
  switch (side) {
    case 0: a1 = {r.Left, r.Top}; a2 = {r.Left, r.Bottom}; break;
    case 1: a1 = {r.Left, r.Top}; a2 = {r.Right, r.Top}; break;
    case 2: a1 = {r.Right, r.Top}; a2 = {r.Right, r.Bottom}; break;
    default: a1 = {r.Left, r.Bottom}; a2 = {r.Right, r.Bottom}; break;
  }
  bool vertical = side == 0 || side == 2;
  canvas->CurrentBrush()->SetStyle(bsSolid);
  canvas->SetBrushColor(brushColor);
  canvas->CurrentPen()->SetColor(penColor == clDefault ? TColor(~ColorToRGB(brushColor) & 0xFFFFFF) : penColor);
  auto poly = [&](const TPoint* shape, TPoint at) {
    TPoint pts[7];
    for (int i = 0; i < 7; ++i) pts[i] = TPoint(shape[i].X + at.X, shape[i].Y + at.Y);
    canvas->DrawPolygon(pts, 7);
  };
  poly(vertical ? down : right, a1);
  poly(vertical ? up : left, a2);
}

namespace {
// Paints `painted` into the canvas as a copy: the window origin moves by `shift` (the
// painted control's position in the canvas's coordinates) and the clip is intersected with
// `clip` (in the painted control's coordinates). A sibling (not the parent) first gets its
// window edge. With `stopAt`, the windowed children before it are painted over it.
void PaintCopy(TWinControl* painted, bool isParent, TcxCanvas* canvas, TPoint shift, const TRect& clip,
               TControl* stopAt) {
  canvas->PushDeviceState();
  TPoint wo = canvas->WindowOrigin();
  canvas->SetWindowOrigin(TPoint(wo.X + shift.X, wo.Y + shift.Y));
  canvas->IntersectClip(clip);
  std::unique_ptr<TcxRegion> visible(canvas->CopyClipRegion(true));
  if (visible->IsEmpty()) {
    canvas->PopDeviceState();
    return;
  }
  painted->SetControlState(painted->ControlState() + csPaintCopy);
  if (!isParent && painted->HandleAllocated()) {
    LONG_PTR ex = GetWindowLongPtr(painted->Handle(), GWL_EXSTYLE);
    LONG_PTR st = GetWindowLongPtr(painted->Handle(), GWL_STYLE);
    TRect er = clip;
    bool edged = true;
    if (ex & WS_EX_CLIENTEDGE)
      DrawEdge(canvas->DeviceContext(), &er, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    else if (st & WS_BORDER)
      DrawEdge(canvas->DeviceContext(), &er, 3, BF_RECT | BF_ADJUST | BF_MONO);
    else
      edged = false;
    if (edged) {
      canvas->IntersectClip(er);
      TPoint o = canvas->WindowOrigin();
      canvas->SetWindowOrigin(TPoint(o.X - er.Left, o.Y - er.Top));
    }
  }
  canvas->Canvas()->Lock();
  HDC dc = canvas->DeviceContext();
  painted->Perform(WM_ERASEBKGND, WPARAM(dc), 0);
  painted->Perform(WM_PAINT, WPARAM(dc), 0);
  canvas->Canvas()->Unlock();
  if (stopAt)
    for (Integer i = 0; i < painted->ControlCount(); ++i) {
      TControl* child = painted->Controls(i);
      if (child == stopAt) break;
      auto* win = dynamic_cast<TWinControl*>(child);
      if (!win || !win->Visible()) continue;
      PaintCopy(win, false, canvas, TPoint(-win->Left(), -win->Top()), TRect(0, 0, win->Width(), win->Height()),
                nullptr);
    }
  painted->SetControlState(painted->ControlState() - csPaintCopy);
  canvas->PopDeviceState();
}
}  // namespace

void PaintParentUnderControl(TControl* control, TcxCanvas* canvas, const TRect& r, bool withSiblings) {
  if (!control || !canvas || !control->Parent()) return;
  // The parent's point (Left, Top) lands on the control's (0, 0).
  TRect pr = ShiftedRect(r, control->Left(), control->Top());
  PaintCopy(control->Parent(), true, canvas, TPoint(control->Left(), control->Top()), pr,
            withSiblings ? control : nullptr);
}

void PaintControlParentBackground(TControl* control, TcxCanvas* canvas, const TRect& r) {
  if (!control || !canvas) return;
  TWinControl* parent = control->Parent();
  if (parent && parent->DoubleBuffered()) {
    PaintParentUnderControl(control, canvas, r, false);
    return;
  }
  auto* win = dynamic_cast<TWinControl*>(control);
  HWND wnd = win && win->HandleAllocated() ? win->Handle() : nullptr;
  UxDrawThemeParentBackground(wnd, canvas->DeviceContext(), &r);
}

void PaintControlParentBackgroundOnCanvas(TControl* control, TCanvas* canvas, const TRect& r) {
  if (!canvas) return;
  TcxCanvas c(canvas);
  PaintControlParentBackground(control, &c, r);
}

TColor NearestScreenColor(TColor color) {
  HDC dc = GetDC(nullptr);
  COLORREF c = GetNearestColor(dc, ColorToRGB(color));
  ReleaseDC(nullptr, dc);
  return TColor(c);
}

TColor MixSystemColorsByPercent(Integer facePct, Integer highlightPct, Integer windowPct) {
  COLORREF face = ColorToRGB(clBtnFace) & 0xFFFFFF;
  COLORREF hl = ColorToRGB(clHighlight) & 0xFFFFFF;
  COLORREF win = ColorToRGB(clWindow) & 0xFFFFFF;
  if (face == 0 || face == 0xFFFFFF) return TColor(hl);
  auto mix = [&](BYTE f, BYTE h, BYTE w) {
    Integer v = MulDiv(f, facePct, 100) + MulDiv(h, highlightPct, 100) + MulDiv(w, windowPct, 100);
    return BYTE(std::clamp(v, 0, 255));
  };
  return TColor(RGB(mix(GetRValue(face), GetRValue(hl), GetRValue(win)),
                    mix(GetGValue(face), GetGValue(hl), GetGValue(win)),
                    mix(GetBValue(face), GetBValue(hl), GetBValue(win))));
}

TColor PressedBlendColor() { return NearestScreenColor(MixSystemColorsByPercent(14, 44, 40)); }
TColor HotTrackBlendColor() { return NearestScreenColor(MixSystemColorsByPercent(-2, 30, 72)); }
