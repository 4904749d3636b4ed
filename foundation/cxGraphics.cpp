// TcxRegion, TcxCanvas (state, clipping, fills, frames, lines, images) and the screen canvas.
// Text output is in cxGraphicsText.cpp, bitmaps and image drawing in cxGraphicsBitmaps.cpp.
#include "foundation/cxGraphics.h"

#include <algorithm>

#include "foundation/cxGraphicsInternal.h"
#include "user/Windows.h"

KORVAN_IMPLEMENT_CLASS(TcxRegion)
KORVAN_IMPLEMENT_CLASS(TcxCanvas)
KORVAN_IMPLEMENT_CLASS(TScreenCanvas)
KORVAN_IMPLEMENT_CLASS(TcxScreenCanvas)

namespace cxgraphics_internal {
void CanvasRequire(TCanvas* canvas, const TCanvasState& state) {
  // The canvas selects its font, pen and brush on demand through a protected call; a
  // pointer to it taken through a derived class is callable on any canvas.
  struct Access : TCanvas {
    static auto Fn() { return &Access::RequiredState; }
  };
  (canvas->*Access::Fn())(state);
}

Integer FloorDiv(Integer a, Integer b) {
  Integer q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}
}  // namespace cxgraphics_internal

using namespace cxgraphics_internal;

// ---- TcxRegion -----------------------------------------------------------------------------

TcxRegion::TcxRegion() : handle_(CreateRectRgn(0, 0, 0, 0)) {}
TcxRegion::TcxRegion(HRGN handle) : handle_(handle ? handle : CreateRectRgn(0, 0, 0, 0)) {}
TcxRegion::TcxRegion(const TRect& r) : handle_(CreateRectRgnIndirect(&r)) {}
TcxRegion::TcxRegion(Integer left, Integer top, Integer right, Integer bottom)
    : handle_(CreateRectRgn(left, top, right, bottom)) {}

TcxRegion::~TcxRegion() {
  if (handle_) DeleteObject(handle_);
}

void TcxRegion::CombineWith(TcxRegion* region, Integer operation, bool destroyRegion) {
  if (!region) return;
  static const int modes[] = {RGN_COPY, RGN_OR, RGN_DIFF, RGN_AND};
  if (operation == roSet)
    CombineRgn(handle_, region->handle_, nullptr, RGN_COPY);  // the copy mode copies the first source
  else if (operation > 0 && operation <= 3)
    CombineRgn(handle_, handle_, region->handle_, modes[operation]);
  if (destroyRegion && region != this) delete region;
}

bool TcxRegion::IsEmpty() const {
  RECT r;
  return GetRgnBox(handle_, &r) == NULLREGION || r.Left >= r.Right || r.Top >= r.Bottom;
}

bool TcxRegion::EqualsRegion(const TcxRegion* region) const {
  if (!region) return false;
  if (IsEmpty() && region->IsEmpty()) return true;
  return EqualRgn(handle_, region->handle_) != FALSE;
}

bool TcxRegion::IsEqualToHandle(HRGN rgn) const {
  if (!rgn) return false;
  return EqualRgn(handle_, rgn) != FALSE;
}

void TcxRegion::ShiftBy(Integer dX, Integer dY) {
  if (dX != 0 || dY != 0) OffsetRgn(handle_, dX, dY);
}

bool TcxRegion::ContainsXY(Integer x, Integer y) const { return PtInRegion(handle_, x, y) != FALSE; }

TRect TcxRegion::BoundsRect() const {
  RECT r;
  GetRgnBox(handle_, &r);
  return r;
}

HRGN TcxRegion::ReleaseHandle() {
  HRGN h = handle_;
  handle_ = CreateRectRgn(0, 0, 0, 0);
  return h;
}

// ---- TcxCanvas: access, origins, state -----------------------------------------------------

TcxCanvas::TcxCanvas(TCanvas* canvas) : canvas_(canvas) {}

TcxCanvas::~TcxCanvas() {
  // Saved states left on the stack are not restored.
}

void TcxCanvas::ApplyFont(TFont* font) {
  if (font) canvas_->SetFont(font);
}

void TcxCanvas::SetBrushColor(TColor color) {
  if (canvas_->Brush()->Color() != color) canvas_->Brush()->SetColor(color);
}

TPoint TcxCanvas::ViewportOrigin() const {
  POINT p;
  GetViewportOrgEx(DeviceContext(), &p);
  return p;
}

TPoint TcxCanvas::WindowOrigin() const {
  POINT p;
  GetWindowOrgEx(DeviceContext(), &p);
  return p;
}

TPoint TcxCanvas::DeviceOrigin() const {
  TPoint v = ViewportOrigin(), w = WindowOrigin();
  return TPoint(v.X - w.X, v.Y - w.Y);
}

void TcxCanvas::SetWindowOrigin(const TPoint& p) { SetWindowOrgEx(DeviceContext(), p.X, p.Y, nullptr); }

void TcxCanvas::PushDeviceState() { savedStates_.push_back(SaveDC(DeviceContext())); }

void TcxCanvas::PopDeviceState() {
  if (savedStates_.empty()) return;
  RestoreDC(DeviceContext(), savedStates_.back());
  savedStates_.pop_back();
  canvas_->Refresh();
  canvas_->Handle();
}

void TcxCanvas::CaptureViewParams(TcxStyleParams& params) const {
  params.Color = canvas_->Brush()->Color();
  params.Font = canvas_->Font();
  params.TextColor = canvas_->Font()->Color();
}

void TcxCanvas::RestoreViewParams(const TcxStyleParams& params) {
  SetBrushColor(params.Color);
  if (params.Font && params.Font != canvas_->Font()) ApplyFont(params.Font);
  canvas_->Font()->SetColor(params.TextColor);
}

// ---- clipping ------------------------------------------------------------------------------

void TcxCanvas::ExcludeFromClip(const TRect& r) {
  ExcludeClipRect(DeviceContext(), r.Left, r.Top, r.Right, r.Bottom);
}

void TcxCanvas::IntersectClip(const TRect& r) {
  IntersectClipRect(DeviceContext(), r.Left, r.Top, r.Right, r.Bottom);
}

TcxRegion* TcxCanvas::CopyClipRegion(bool considerOrigin) const {
  auto* region = new TcxRegion();
  if (GetClipRgn(DeviceContext(), region->Handle()) != 1) SetRectRgn(region->Handle(), 0, 0, 30000, 30000);
  if (considerOrigin) {
    TPoint o = DeviceOrigin();
    region->ShiftBy(-o.X, -o.Y);
  }
  return region;
}

void TcxCanvas::ApplyClipRegion(TcxRegion* region, Integer operation, bool destroyRegion, bool considerOrigin) {
  if (!region) return;
  if (operation != roSet) {
    TcxRegion* clip = CopyClipRegion(considerOrigin);
    clip->CombineWith(region, operation, destroyRegion);
    ApplyClipRegion(clip, roSet, true, considerOrigin);
    return;
  }
  TPoint o = considerOrigin ? DeviceOrigin() : TPoint();
  region->ShiftBy(o.X, o.Y);
  SelectClipRgn(DeviceContext(), region->Handle());
  if (destroyRegion)
    delete region;
  else
    region->ShiftBy(-o.X, -o.Y);
}

bool TcxCanvas::IsRectFullyVisible(const TRect& r) const {
  std::unique_ptr<TcxRegion> clip(CopyClipRegion(true));
  TcxRegion whole(r);
  clip->CombineWith(&whole, roIntersect, false);
  return clip->EqualsRegion(&whole);
}

bool TcxCanvas::IsRectPartlyVisible(const TRect& r) const { return RectVisible(DeviceContext(), &r) != FALSE; }

// ---- fills and frames ----------------------------------------------------------------------

void TcxCanvas::FillRectColor(const TRect& r, TColor color) {
  if (color == clNone) return;
  if (color != clDefault) SetBrushColor(color);
  canvas_->FillRect(r);
}

void TcxCanvas::FillBackground(const TRect& r, TBitmap* bitmap, bool excludeRect) {
  if (r.Left >= r.Right || r.Top >= r.Bottom) return;
  if (!bitmap || bitmap->Empty()) {
    canvas_->FillRect(r);
  } else {
    // Tiles are aligned to multiples of the bitmap size. Floor division keeps the alignment
    // (and leaves no gap) on the negative side of the origin too.
    Integer w = bitmap->Width(), h = bitmap->Height();
    Integer col0 = FloorDiv(r.Left, w), col1 = FloorDiv(r.Right - 1, w);
    Integer row0 = FloorDiv(r.Top, h), row1 = FloorDiv(r.Bottom - 1, h);
    HDC src = bitmap->Canvas()->Handle();
    HDC dst = DeviceContext();
    for (Integer row = row0; row <= row1; ++row)
      for (Integer col = col0; col <= col1; ++col) {
        TRect tile = Bounds(col * w, row * h, w, h), part;
        if (!IntersectRectsOrEmpty(part, tile, r)) continue;
        BitBlt(dst, part.Left, part.Top, part.Width(), part.Height(), src, part.Left - tile.Left,
               part.Top - tile.Top, SRCCOPY);
      }
  }
  if (excludeRect) ApplyClipRegion(new TcxRegion(r), roSubtract, true, true);
}

void TcxCanvas::DrawFrameSides(const TRect& r, TColor color, Integer lineWidth, const TcxBorders& borders,
                               bool excludeFrame) {
  if (r.Left >= r.Right || r.Top >= r.Bottom || lineWidth <= 0 || color == clNone) return;
  if (color != clDefault) SetBrushColor(color);
  auto strip = [&](TcxBorder side) {
    TRect s = r;
    switch (side) {
      case bLeft: s.Right = std::min(r.Right, r.Left + lineWidth); break;
      case bRight: s.Left = std::max(r.Left, r.Right - lineWidth); break;
      case bTop: s.Bottom = std::min(r.Bottom, r.Top + lineWidth); break;
      case bBottom: s.Top = std::max(r.Top, r.Bottom - lineWidth); break;
    }
    FillBackground(s, nullptr, excludeFrame);
  };
  for (TcxBorder side : {bLeft, bRight, bTop, bBottom})
    if (borders.Contains(side)) strip(side);
}

void TcxCanvas::FillFramedArea(const TRect& r, const TcxStyleParams& params, const TcxBorders& borders,
                               TColor borderColor, Integer lineWidth, bool excludeRect) {
  DrawFrameSides(r, borderColor, lineWidth, borders, excludeRect);
  TRect inner = r;
  if (borders.Contains(bLeft)) inner.Left += lineWidth;
  if (borders.Contains(bTop)) inner.Top += lineWidth;
  if (borders.Contains(bRight)) inner.Right -= lineWidth;
  if (borders.Contains(bBottom)) inner.Bottom -= lineWidth;
  SetBrushColor(params.Color);
  FillBackground(inner, params.Bitmap, excludeRect);
}

void TcxCanvas::DrawTwoColorFrame(const TRect& r, TColor topLeftColor, TColor bottomRightColor,
                                  const TcxBorders& borders, Integer lineWidth) {
  if (lineWidth <= 0) return;
  for (TcxBorder side : {bLeft, bTop, bRight, bBottom}) {
    if (!borders.Contains(side)) continue;
    TRect s = r;
    // Strips stay inside the rectangle even when the line is wider than it.
    switch (side) {
      case bLeft: s.Right = std::min(r.Right, r.Left + lineWidth); break;
      case bTop: s.Bottom = std::min(r.Bottom, r.Top + lineWidth); break;
      case bRight: s.Left = std::max(r.Left, r.Right - lineWidth); break;
      case bBottom: s.Top = std::max(r.Top, r.Bottom - lineWidth); break;
    }
    TColor c = (side == bLeft || side == bTop) ? topLeftColor : bottomRightColor;
    if (c == clNone) continue;
    if (c != clDefault) SetBrushColor(c);
    FillBackground(s);
  }
}

void TcxCanvas::DrawBevelEdge(const TRect& r, bool sunken, bool outer, const TcxBorders& borders) {
  TColor tl, br;
  if (sunken) {
    tl = outer ? clBtnShadow : cl3DDkShadow;
    br = outer ? clBtnHighlight : cl3DLight;
  } else {
    tl = outer ? cl3DLight : clBtnHighlight;
    br = outer ? cl3DDkShadow : clBtnShadow;
  }
  DrawTwoColorFrame(r, tl, br, borders, 1);
}

HDC TcxCanvas::FontDeviceContext() {
  CanvasRequire(canvas_, {csHandleValid, csFontValid});
  return DeviceContext();
}

void TcxCanvas::DrawFocusFrame(const TRect& r) {
  SetBrushColor(clWhite);
  canvas_->Font()->SetColor(clBlack);
  CanvasRequire(canvas_, {csHandleValid, csFontValid});
  canvas_->DrawFocusRect(r);
}

void TcxCanvas::InvertArea(const TRect& r) {
  canvas_->SetCopyMode(cmDstInvert);
  canvas_->CopyRect(r, canvas_, r);
  canvas_->SetCopyMode(cmSrcCopy);
}

void TcxCanvas::InvertFrame(const TRect& r, Integer w) {
  InvertArea(TRect(r.Left, r.Top, r.Left + w, r.Bottom));
  InvertArea(TRect(r.Right - w, r.Top, r.Right, r.Bottom));
  InvertArea(TRect(r.Left + w, r.Top, r.Right - w, r.Top + w));
  InvertArea(TRect(r.Left + w, r.Bottom - w, r.Right - w, r.Bottom));
}

// ---- lines and shapes ----------------------------------------------------------------------

void TcxCanvas::MovePenTo(Integer x, Integer y) { canvas_->MoveTo(x, y); }
void TcxCanvas::DrawLineTo(Integer x, Integer y) { canvas_->LineTo(x, y); }

void TcxCanvas::DrawPolygon(const TPoint* points, Integer count) {
  if (!points || count <= 0) return;
  canvas_->Polygon(std::vector<TPoint>(points, points + count));
}

void TcxCanvas::DrawPolyline(const TPoint* points, Integer count) {
  if (!points || count <= 0) return;
  canvas_->Polyline(std::vector<TPoint>(points, points + count));
}

void TcxCanvas::PutPixel(Integer x, Integer y, TColor color) { canvas_->SetPixels(x, y, color); }

// ---- images --------------------------------------------------------------------------------

void TcxCanvas::CopyFromCanvas(const TRect& destRect, TcxCanvas* source, const TRect& sourceRect) {
  if (source) CopyFromCanvas(destRect, source->Canvas(), sourceRect);
}

void TcxCanvas::CopyFromCanvas(const TRect& destRect, TCanvas* source, const TRect& sourceRect) {
  if (source) canvas_->CopyRect(destRect, source, sourceRect);
}

void TcxCanvas::DrawGraphic(Integer x, Integer y, TGraphic* graphic) {
  if (graphic && !graphic->Empty()) canvas_->Draw(x, y, graphic);
}

void TcxCanvas::DrawImageListItem(TCustomImageList* images, Integer x, Integer y, Integer index, bool enabled) {
  if (!images || index < 0 || index >= images->Count()) return;
  PushDeviceState();
  if (auto* cx = dynamic_cast<TcxImageList*>(images))
    cx->DoDraw(index, canvas_, x, y, dsNormal, enabled);
  else
    images->Draw(canvas_, x, y, index, enabled);
  PopDeviceState();
}

void TcxCanvas::RotateBitmapPixels(TBitmap* bitmap, Integer angleCode, bool mirror) {
  if (!bitmap || bitmap->Empty()) return;
  if (angleCode == 0 && !mirror) return;
  if (angleCode < 0 || angleCode > 3) return;
  Integer w = bitmap->Width(), h = bitmap->Height();
  TRGBColors src;
  ReadBitmapPixels(bitmap, true, src);
  bool swap = angleCode == 1 || angleCode == 2;
  Integer nw = swap ? h : w, nh = swap ? w : h;
  TRGBColors dst(size_t(nw) * size_t(nh));
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) {
      Integer dc = 0, dr = 0;
      switch (angleCode * 2 + (mirror ? 1 : 0)) {
        case 1: dc = x; dr = h - 1 - y; break;
        case 2: dc = y; dr = w - 1 - x; break;
        case 3: dc = y; dr = x; break;
        case 4: dc = h - 1 - y; dr = x; break;
        case 5: dc = h - 1 - y; dr = w - 1 - x; break;
        case 6: dc = w - 1 - x; dr = h - 1 - y; break;
        case 7: dc = w - 1 - x; dr = y; break;
      }
      dst[size_t(dr) * size_t(nw) + size_t(dc)] = src[size_t(y) * size_t(w) + size_t(x)];
    }
  if (swap) {
    bitmap->SetHeight(0);
    bitmap->SetSize(nw, nh);
  }
  WriteBitmapPixels(bitmap, dst, true);
}

// ---- screen canvas -------------------------------------------------------------------------

TScreenCanvas::~TScreenCanvas() { ReleaseScreenDC(); }

void TScreenCanvas::CreateHandle() {
  screenDC_ = GetDC(nullptr);
  SetHandle(screenDC_);
}

void TScreenCanvas::ReleaseScreenDC() {
  if (!screenDC_) return;
  SetHandle(nullptr);
  ReleaseDC(nullptr, screenDC_);
  screenDC_ = nullptr;
}

TcxScreenCanvas::TcxScreenCanvas() : TcxCanvas(nullptr), screenCanvas_(std::make_unique<TScreenCanvas>()) {
  ResetCanvas(screenCanvas_.get());
}

TcxScreenCanvas::~TcxScreenCanvas() = default;

namespace {
TcxScreenCanvas* lazyScreenCanvas = nullptr;
}

TcxScreenCanvas* LazyScreenCanvas() {
  InitializeCxGraphics();
  if (!lazyScreenCanvas) lazyScreenCanvas = new TcxScreenCanvas();
  return lazyScreenCanvas;
}

bool GetBitmapObjectInfo(HBITMAP handle, BITMAP& info) {
  return handle && GetObject(handle, sizeof info, &info) != 0;
}

void InitializeCxGraphics() {
  InitUnit(
      "cxGraphics", [] { InitializeCxGeometry(); },
      [] {
        delete lazyScreenCanvas;
        lazyScreenCanvas = nullptr;
      });
}
