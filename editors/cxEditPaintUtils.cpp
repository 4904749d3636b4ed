#include "editors/cxEditPaintUtils.h"

#include <algorithm>

#include "foundation/cxClasses.h"
#include "foundation/cxContainer.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/dxOffice11.h"
#include "gdi/Gdi.h"
#include "rtl/Variants.h"
#include "user/WinUser.h"

KORVAN_IMPLEMENT_CLASS(TcxSolidBrushCache)

namespace {

constexpr Integer kSystemBrushCount = 31;
TcxSolidBrushCache* brushCache = nullptr;
TcxRegisteredClasses* editPropertiesRegistry = nullptr;
HBRUSH systemBrushes[kSystemBrushCount] = {};
// Message that the cache posts to itself to destroy the brushes it pushed out.
constexpr UINT kReleaseRetiredMessage = WM_USER + 1;

}  // namespace

// ---- the brush cache ----------------------------------------------------------------------------

TcxSolidBrushCache::TcxSolidBrushCache() {
  notifier_ = new TcxSystemPaletteChangedNotifier(false);
  notifier_->OnPaletteChanged = [this] { FlushBrushes(); };
}

TcxSolidBrushCache::~TcxSolidBrushCache() {
  delete notifier_;
  for (HBRUSH brush : brushes_) DeleteObject(brush);
  ReleaseRetiredBrushes();
  if (window_ && IsWindow(window_)) DeallocateHWnd(window_);
}

HBRUSH TcxSolidBrushCache::Obtain(TColor color) {
  const auto key = static_cast<uint32_t>(color);
  auto it = std::lower_bound(colors_.begin(), colors_.end(), color, [](TColor a, TColor b) {
    return static_cast<uint32_t>(a) < static_cast<uint32_t>(b);
  });
  size_t index = size_t(it - colors_.begin());
  if (it != colors_.end() && static_cast<uint32_t>(*it) == key) {
    ++useCounts_[index];
    return brushes_[index];
  }
  if (Integer(colors_.size()) >= MaxDepth) {
    // Push out the least used entry (the first of equals).
    const size_t victim =
        size_t(std::min_element(useCounts_.begin(), useCounts_.end()) - useCounts_.begin());
    Retire(brushes_[victim]);
    colors_.erase(colors_.begin() + long(victim));
    brushes_.erase(brushes_.begin() + long(victim));
    useCounts_.erase(useCounts_.begin() + long(victim));
    if (victim < index) --index;
  }
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  colors_.insert(colors_.begin() + long(index), color);
  brushes_.insert(brushes_.begin() + long(index), brush);
  useCounts_.insert(useCounts_.begin() + long(index), 0);
  return brush;
}

void TcxSolidBrushCache::FlushBrushes() {
  // A flush may come while someone paints with a cached brush: retire rather than destroy.
  for (HBRUSH brush : brushes_) Retire(brush);
  colors_.clear();
  brushes_.clear();
  useCounts_.clear();
}

void TcxSolidBrushCache::Retire(HBRUSH brush) {
  retired_.push_back(brush);
  // A window destroyed behind the cache's back (a closing session) is made again.
  if (window_ && !IsWindow(window_)) {
    window_ = 0;
    releasePosted_ = false;
  }
  if (releasePosted_) return;
  if (!window_)
    window_ = AllocateHWnd([this](HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
      if (msg == kReleaseRetiredMessage) {
        ReleaseRetiredBrushes();
        return 0;
      }
      return DefWindowProc(wnd, msg, wParam, lParam);
    });
  if (window_) releasePosted_ = PostMessage(window_, kReleaseRetiredMessage, 0, 0) != FALSE;
}

void TcxSolidBrushCache::ReleaseRetiredBrushes() {
  releasePosted_ = false;
  for (HBRUSH brush : retired_) DeleteObject(brush);
  retired_.clear();
}

TcxSolidBrushCache* SolidBrushCache() {
  InitializeCxEditPaintUtils();
  if (!brushCache) brushCache = new TcxSolidBrushCache();
  return brushCache;
}

HBRUSH ObtainSolidBrush(TColor color) {
  const auto c = static_cast<uint32_t>(color);
  const auto base = static_cast<uint32_t>(clSystemColor);
  if (c >= base && c < base + uint32_t(kSystemBrushCount)) {
    InitializeCxEditPaintUtils();
    return systemBrushes[c - base];
  }
  return SolidBrushCache()->Obtain(color);
}
HBRUSH ObtainSolidBrush(TCanvas*, TColor color) { return ObtainSolidBrush(color); }
HBRUSH ObtainSolidBrush(TcxCanvas*, TColor color) { return ObtainSolidBrush(color); }

// ---- fills, frames and lines --------------------------------------------------------------

void FillRectWithBrush(HDC dc, const TRect& r, HBRUSH brush) { FillRect(dc, &r, brush); }

void FillRectWithColor(TcxCanvas* canvas, const TRect& r, TColor color) {
  FillRectWithBrush(canvas->DeviceContext(), r, ObtainSolidBrush(color));
}

void FillRectExcept(TcxCanvas* canvas, const TRect& r, const TRect& inner, HBRUSH brush) {
  if (r.IsEmpty() || r == inner) return;
  HDC dc = canvas->DeviceContext();
  if (inner.IsEmpty()) {
    FillRectWithBrush(dc, r, brush);
    return;
  }
  const TRect bands[4] = {
      TRect(r.Left, r.Top, inner.Left, r.Bottom), TRect(inner.Right, r.Top, r.Right, r.Bottom),
      TRect(inner.Left, r.Top, inner.Right, inner.Top),
      TRect(inner.Left, inner.Bottom, inner.Right, r.Bottom)};
  for (const auto& band : bands)
    if (!band.IsEmpty()) FillRectWithBrush(dc, band, brush);
}

void DrawBorderSides(TcxCanvas* canvas, TRect& r, Integer sides, TColor color) {
  HDC dc = canvas->DeviceContext();
  HBRUSH brush = ObtainSolidBrush(color);
  if (sides & cxbsLeftSide) {
    FillRectWithBrush(dc, TRect(r.Left, r.Top, r.Left + 1, r.Bottom), brush);
    ++r.Left;
  }
  if (sides & cxbsTopSide) {
    FillRectWithBrush(dc, TRect(r.Left, r.Top, r.Right, r.Top + 1), brush);
    ++r.Top;
  }
  if (sides & cxbsRightSide) {
    FillRectWithBrush(dc, TRect(r.Right - 1, r.Top, r.Right, r.Bottom), brush);
    --r.Right;
  }
  if (sides & cxbsBottomSide) {
    FillRectWithBrush(dc, TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), brush);
    --r.Bottom;
  }
}

void FrameTwoColorAndShrink(TcxCanvas* canvas, TRect& r, TColor top_left, TColor bottom_right) {
  canvas->DrawTwoColorFrame(r, top_left, bottom_right, cxBordersAll, 1);
  r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
}

void FrameAndShrink(TcxCanvas* canvas, TRect& r, TColor color) {
  canvas->DrawFrameSides(r, color, 1, cxBordersAll);
  r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
}

void DrawOrthogonalPolyline(TcxCanvas* canvas, const TPoint* points, Integer count, TColor color,
                            bool use_brush) {
  if (count <= 0) return;
  HDC dc = canvas->DeviceContext();
  if (!use_brush) {
    canvas->CurrentPen()->SetColor(color);
    canvas->DrawPolyline(points, count);
  } else {
    HBRUSH brush = ObtainSolidBrush(color);
    for (Integer i = 0; i + 1 < count; ++i) {
      const TPoint a = points[i], b = points[i + 1];
      FillRectWithBrush(dc, TRect(std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X) + 1,
                                  std::max(a.Y, b.Y) + 1),
                        brush);
    }
  }
  const TPoint last = points[count - 1];
  canvas->PutPixel(last.X, last.Y, color);
}

// ---- arrows, glyphs and images ----------------------------------------------------------------

void DrawArrowTriangles(TcxCanvas* canvas, Integer size, const TRect& r, Integer direction,
                        bool twin, bool pressed, TColor color) {
  if (size <= 0) return;
  HDC dc = canvas->DeviceContext();
  HBRUSH brush = ObtainSolidBrush(color);
  const Integer count = twin ? 2 : 1;
  const bool vertical = direction == 0 || direction == 1;
  const Integer across = 2 * size - 1, along = count * size;
  const Integer w = vertical ? across : along, h = vertical ? along : across;
  Integer x0 = r.Left + (r.Width() - w) / 2, y0 = r.Top + (r.Height() - h) / 2;
  if (pressed) {
    ++x0;
    ++y0;
  }
  for (Integer t = 0; t < count; ++t) {
    for (Integer row = 0; row < size; ++row) {
      // Row 0 is the tip (one pixel); each row is two pixels longer.
      const Integer len = 2 * row + 1, offset = size - 1 - row;
      const Integer step = t * size + row;
      TRect line;
      switch (direction) {
        case 0: line = TRect(x0 + offset, y0 + step, x0 + offset + len, y0 + step + 1); break;
        case 1: line = TRect(x0 + offset, y0 + along - 1 - step, x0 + offset + len, y0 + along - step); break;
        case 2: line = TRect(x0 + step, y0 + offset, x0 + step + 1, y0 + offset + len); break;
        default: line = TRect(x0 + along - 1 - step, y0 + offset, x0 + along - step, y0 + offset + len); break;
      }
      FillRectWithBrush(dc, line, brush);
    }
  }
}

TSize ArrowSizeFor(const TSize& box, Integer direction) {
  const Integer m = std::min(box.cx, box.cy);
  Integer a = (m - 1) / 2;
  if (a % 2 == 0) ++a;
  TSize result(a, a / 2 + 1);
  if (direction == 2 || direction == 3) std::swap(result.cx, result.cy);
  return result;
}

bool IsGlyphAssigned(TBitmap* glyph) {
  return glyph && !glyph->Empty() && glyph->Width() > 0 && glyph->Height() > 0;
}

bool IsImageListAssigned(TCustomImageList* images) {
  return images && images->Width() > 0 && images->Height() > 0;
}

void DrawGlyph(TcxCanvas* canvas, Integer x, Integer y, TBitmap* glyph, bool enabled,
               TColor background_color, TBitmap* background_bitmap) {
  if (!IsGlyphAssigned(glyph)) return;
  if (background_bitmap) {
    TcxCanvas target(background_bitmap->Canvas());
    target.DrawGlyph(0, 0, glyph, enabled, clNone);
    canvas->Canvas()->Draw(x, y, background_bitmap);
    return;
  }
  canvas->DrawGlyph(x, y, glyph, enabled, background_color);
}

void DrawImageViaBitmap(TcxCanvas* canvas, TCustomImageList* images, Integer index, const TRect& r,
                        TColor background_color, bool enabled, TBitmap* bitmap) {
  if (!IsImageListAssigned(images)) return;
  TBitmap temp;
  TBitmap* target = bitmap;
  if (!target) {
    temp.SetPixelFormat(pf24bit);
    temp.SetSize(images->Width(), images->Height());
    temp.Canvas()->Brush()->SetColor(background_color);
    temp.Canvas()->FillRect(TRect(0, 0, images->Width(), images->Height()));
    target = &temp;
  }
  images->Draw(target->Canvas(), 0, 0, index, enabled);
  canvas->Canvas()->Draw(r.Left, r.Top, target);
}

// ---- looks and colours ------------------------------------------------------------------------

TcxCustomLookAndFeelPainterClass PainterForLookAndFeel(bool native, TcxLookAndFeelKind kind) {
  if (native && OpenThemeCached(tcButton) != 0) return TcxWinXPLookAndFeelPainter::Class();
  switch (kind) {
    case lfFlat: return TcxFlatLookAndFeelPainter::Class();
    case lfUltraFlat: return TcxUltraFlatLookAndFeelPainter::Class();
    case lfOffice11: return TcxOffice11LookAndFeelPainter::Class();
    default: return TcxStandardLookAndFeelPainter::Class();
  }
}

TColor HotTrackTextColor() {
  // The platform here is never one of the old systems whose hot-light colour was meant.
  return TColor(0xFF0000);
}

TColor HighlightBorderColor(bool is_office11) {
  return is_office11 ? Office11HighlightFrameColor : clHighlight;
}

TColor UltraFlatButtonFaceColor(bool pressed, bool is_office11) {
  TcxCustomLookAndFeelPainterClass painter =
      is_office11 ? TcxCustomLookAndFeelPainterClass(TcxOffice11LookAndFeelPainter::Class())
                  : TcxCustomLookAndFeelPainterClass(TcxUltraFlatLookAndFeelPainter::Class());
  return painter->ButtonFaceColor(pressed ? cxbsPressed : cxbsHot);
}

// ---- shared routines ----------------------------------------------------------------------------

TShiftState MouseButtonToShift(TMouseButton button) {
  switch (button) {
    case mbLeft: return {ssLeft};
    case mbRight: return {ssRight};
    default: return {ssMiddle};
  }
}

TShiftState MouseButtonCodeToShift(Integer code) {
  switch (code) {
    case 1: return {ssLeft};
    case 2: return {ssRight};
    case 3: return {ssMiddle};
    default: return {};
  }
}

void EnlargeSize(TSize& size, const TSize& other) {
  size.cx = std::max(size.cx, other.cx);
  size.cy = std::max(size.cy, other.cy);
}

bool VariantsEqualStrict(const Variant& a, const Variant& b) {
  if (a.VarType() != b.VarType()) return false;
  try {
    return VarCompareValue(a, b) == vrEqual;
  } catch (...) {
    return false;
  }
}

bool IsTextSpaceChar(char32_t c) {
  return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32;
}

bool IsRegionEmpty(TcxRegion* region) { return !region || region->IsEmpty(); }

void UnionRegion(TcxRegion* region, TcxRegion* other) {
  if (region && other) region->CombineWith(other, roAdd, false);
}

void SendKeyDown(TWinControl* control, WORD key) {
  if (control && control->HandleAllocated()) SendMessage(control->Handle(), WM_KEYDOWN, key, 0);
}

void SendChar(TWinControl* control, char32_t c) {
  if (control && control->HandleAllocated()) SendMessage(control->Handle(), WM_CHAR, WPARAM(c), 0);
}

TComponent* OwnerComponentOf(TPersistent* persistent) {
  // Owner chains are short; a bound keeps a cyclic chain from hanging.
  for (Integer depth = 0; persistent && depth < 1000; ++depth) {
    if (auto* component = dynamic_cast<TComponent*>(persistent)) return component;
    persistent = PersistentOwnerOf(persistent);
  }
  return nullptr;
}

TcxRegisteredClasses* EditPropertiesRegistry() {
  InitializeCxEditPaintUtils();
  if (!editPropertiesRegistry) {
    editPropertiesRegistry = new TcxRegisteredClasses(false);
    editPropertiesRegistry->SetSortedFlag(true);
  }
  return editPropertiesRegistry;
}

void InitializeCxEditPaintUtils() {
  InitUnit(
      "cxEditPaintUtils",
      [] {
        for (Integer i = 0; i < kSystemBrushCount; ++i) systemBrushes[i] = GetSysColorBrush(i);
      },
      [] {
        delete brushCache;
        brushCache = nullptr;
        delete editPropertiesRegistry;
        editPropertiesRegistry = nullptr;
        std::fill(std::begin(systemBrushes), std::end(systemBrushes), HBRUSH(nullptr));
      });
}
