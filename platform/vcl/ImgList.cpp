#include "vcl/ImgList.h"

#include <algorithm>
#include <cstring>

#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "vcl/Consts.h"

namespace {
PTypeInfo DrawingStyleType() {
  return EnumTypeInfo("TDrawingStyle", {"dsFocus", "dsSelected", "dsNormal", "dsTransparent"});
}
PTypeInfo ImageTypeType() { return EnumTypeInfo("TImageType", {"itImage", "itMask"}); }

// Premultiplied alpha from a pixel's colour and its opacity.
uint32_t Premultiply(uint32_t rgb, uint32_t a) {
  uint32_t r = ((rgb >> 16) & 0xFF) * a / 255, g = ((rgb >> 8) & 0xFF) * a / 255, b = (rgb & 0xFF) * a / 255;
  return (a << 24) | (r << 16) | (g << 8) | b;
}
}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TCustomImageList) {
  p.Int("AllocBy", &TCustomImageList::AllocBy, &TCustomImageList::SetAllocBy).Default(4);
  p.Int("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor).Default(clNone);
  p.Int("BlendColor", &TCustomImageList::BlendColor, &TCustomImageList::SetBlendColor).Default(clNone);
  p.Enum("DrawingStyle", &TCustomImageList::DrawingStyle, &TCustomImageList::SetDrawingStyle, DrawingStyleType()).Default(dsNormal);
  p.Int("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight).Default(16);
  p.Enum("ImageType", &TCustomImageList::ImageType, &TCustomImageList::SetImageType, ImageTypeType()).Default(itImage);
  p.Bool("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked).Default(true);
  p.Int("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth).Default(16);
  p.Event("OnChange", &TCustomImageList::OnChange);
}

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}
TCustomImageList::TCustomImageList(TComponent* owner, Integer w, Integer h) : TComponent(owner), width_(w), height_(h) {
  if (w <= 0 || h <= 0) throw EInvalidOperation(vcl_consts::SInvalidImageSize);
}
TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : links_) link->SetSender(nullptr);
  links_.clear();
}

TChangeLink::~TChangeLink() {
  if (sender_) sender_->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(sender_);
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
  if (!link || std::find(links_.begin(), links_.end(), link) != links_.end()) return;
  links_.push_back(link);
  link->SetSender(this);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
  auto it = std::find(links_.begin(), links_.end(), link);
  if (it == links_.end()) return;
  links_.erase(it);
  link->SetSender(nullptr);
}

void TCustomImageList::Assign(TPersistent* source) {
  if (auto* l = dynamic_cast<TCustomImageList*>(source)) {
    width_ = l->width_;
    height_ = l->height_;
    masked_ = l->masked_;
    bkColor_ = l->bkColor_;
    images_.clear();
    for (auto& i : l->images_) {
      auto b = std::make_unique<TBitmap>();
      b->Assign(i.get());
      b->SetPixelFormat(pf32bit);
      images_.push_back(std::move(b));
    }
    Change();
    return;
  }
  TComponent::Assign(source);
}

void TCustomImageList::SetWidth(Integer v) {
  if (v == width_) return;
  if (v <= 0) throw EInvalidOperation(vcl_consts::SInvalidImageSize);
  width_ = v;
  Clear();
}

void TCustomImageList::SetHeight(Integer v) {
  if (v == height_) return;
  if (v <= 0) throw EInvalidOperation(vcl_consts::SInvalidImageSize);
  height_ = v;
  Clear();
}

void TCustomImageList::Change() {
  // A link's handler may unregister links: walk a copy and skip those gone meanwhile.
  std::vector<TChangeLink*> links = links_;
  for (TChangeLink* link : links)
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
  if (OnChange) OnChange(this);
}

void TCustomImageList::CheckIndex(Integer index) const {
  if (index < 0 || index >= Count()) throw EInvalidImageListOperation(vcl_consts::SImageIndexError);
}

TBitmap* TCustomImageList::Image(Integer index) const {
  CheckIndex(index);
  return images_[size_t(index)].get();
}

namespace {
// Splits a strip into cells; `opacity(x, y, pixel)` gives each source pixel's alpha.
template <class F>
std::vector<std::unique_ptr<TBitmap>> Cells(TBitmap* image, Integer w, Integer h, F opacity) {
  std::vector<std::unique_ptr<TBitmap>> out;
  if (!image || image->Empty()) return out;
  Integer n = std::max(1, image->Width() / w);
  for (Integer k = 0; k < n; ++k) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf32bit);
    b->SetSize(w, h);
    for (Integer y = 0; y < h; ++y) {
      auto* dst = static_cast<uint32_t*>(b->ScanLine(y));
      if (y >= image->Height()) {
        std::memset(dst, 0, size_t(w) * 4);
        continue;
      }
      auto* src = static_cast<const uint32_t*>(image->ScanLine(y));
      for (Integer x = 0; x < w; ++x) {
        Integer sx = k * w + x;
        if (sx >= image->Width()) { dst[x] = 0; continue; }
        uint32_t px = src[sx];
        dst[x] = Premultiply(px & 0xFFFFFF, opacity(sx, y, px));
      }
    }
    out.push_back(std::move(b));
  }
  return out;
}
}  // namespace

Integer TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  Integer first = Count();
  auto cells = Cells(image, width_, height_, [&](Integer x, Integer y, uint32_t) -> uint32_t {
    if (!mask || mask->Empty() || x >= mask->Width() || y >= mask->Height()) return 255;
    uint32_t m = static_cast<const uint32_t*>(mask->ScanLine(y))[x] & 0xFFFFFF;
    return m == 0xFFFFFF ? 0 : 255;
  });
  for (auto& c : cells) images_.push_back(std::move(c));
  Change();
  return first;
}

Integer TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  Integer first = Count();
  // clDefault: the bitmap's own transparent colour (its bottom-left pixel unless fixed).
  if (maskColor == clDefault) maskColor = image->TransparentColor();
  uint32_t key = ColorRefToPixel(ColorToRGB(maskColor));
  auto cells = Cells(image, width_, height_, [&](Integer, Integer, uint32_t px) -> uint32_t {
    return (px & 0xFFFFFF) == key ? 0 : 255;
  });
  for (auto& c : cells) images_.push_back(std::move(c));
  Change();
  return first;
}

Integer TCustomImageList::AddAlpha(TBitmap* image) {
  Integer first = Count();
  auto cells = Cells(image, width_, height_, [&](Integer, Integer, uint32_t px) -> uint32_t { return px >> 24; });
  for (auto& c : cells) images_.push_back(std::move(c));
  Change();
  return first;
}

Integer TCustomImageList::AddIcon(TIcon* icon) {
  if (!icon || icon->Empty()) return -1;
  TBitmap scaled;
  scaled.SetPixelFormat(pf32bit);
  scaled.SetSize(width_, height_);
  // Keep the icon's alpha: copy pixel by pixel (scaled to the list's size).
  TBitmap* src = icon->Bitmap();
  for (Integer y = 0; y < height_; ++y) {
    auto* d = static_cast<uint32_t*>(scaled.ScanLine(y));
    auto* s = static_cast<const uint32_t*>(src->ScanLine(y * src->Height() / height_));
    for (Integer x = 0; x < width_; ++x) d[x] = s[x * src->Width() / width_];
  }
  return AddAlpha(&scaled);
}

void TCustomImageList::Replace(Integer index, TBitmap* image, TBitmap* mask) {
  CheckIndex(index);
  TCustomImageList tmp(nullptr, width_, height_);
  tmp.Add(image, mask);
  if (tmp.Count() == 0) return;
  images_[size_t(index)] = std::move(tmp.images_[0]);
  Change();
}

void TCustomImageList::Delete(Integer index) {
  if (index == -1) {
    Clear();
    return;
  }
  CheckIndex(index);
  images_.erase(images_.begin() + index);
  Change();
}

void TCustomImageList::Clear() {
  images_.clear();
  Change();
}

void TCustomImageList::Move(Integer cur, Integer to) {
  CheckIndex(cur);
  CheckIndex(to);
  auto b = std::move(images_[size_t(cur)]);
  images_.erase(images_.begin() + cur);
  images_.insert(images_.begin() + to, std::move(b));
  Change();
}

void TCustomImageList::Draw(TCanvas* canvas, Integer x, Integer y, Integer index, bool enabled) {
  if (index < 0 || index >= Count()) return;
  TBitmap* img = images_[size_t(index)].get();
  TBitmap* draw = img;
  TBitmap grey;
  if (!enabled) {
    // Disabled: a lighter grey image of the same shape.
    grey.SetPixelFormat(pf32bit);
    grey.SetSize(width_, height_);
    for (Integer yy = 0; yy < height_; ++yy) {
      auto* s = static_cast<const uint32_t*>(img->ScanLine(yy));
      auto* d = static_cast<uint32_t*>(grey.ScanLine(yy));
      for (Integer xx = 0; xx < width_; ++xx) {
        uint32_t a = s[xx] >> 24;
        uint32_t lum = (((s[xx] >> 16) & 0xFF) * 30 + ((s[xx] >> 8) & 0xFF) * 59 + (s[xx] & 0xFF) * 11) / 100;
        uint32_t v = std::min<uint32_t>(a, lum / 2 + a / 2);
        d[xx] = (a << 24) | (v << 16) | (v << 8) | v;
      }
    }
    draw = &grey;
  }
  if (bkColor_ != clNone) {
    canvas->Brush()->SetColor(bkColor_);
    canvas->FillRect(Bounds(x, y, width_, height_));
  }
  draw->Draw(canvas, Bounds(x, y, width_, height_));
}

void TCustomImageList::DrawOverlay(TCanvas* canvas, Integer x, Integer y, Integer index, Integer overlay, bool enabled) {
  Draw(canvas, x, y, index, enabled);
  Draw(canvas, x, y, overlay, enabled);
}

void TCustomImageList::GetBitmap(Integer index, TBitmap* image) {
  CheckIndex(index);
  image->SetPixelFormat(pfDevice);
  image->SetSize(width_, height_);
  image->Canvas()->Brush()->SetColor(clBtnFace);
  image->Canvas()->FillRect(Rect(0, 0, width_, height_));
  Draw(image->Canvas(), 0, 0, index);
}

void TCustomImageList::ReadData(TStream& s) {
  // Count, then each image as a 32-bit BMP with alpha.
  Integer n = s.ReadInt32();
  if (n < 0) throw EReadError(vcl_consts::SInvalidImage);
  images_.clear();
  for (Integer i = 0; i < n; ++i) {
    auto b = std::make_unique<TBitmap>();
    b->ReadData(s);
    b->SetPixelFormat(pf32bit);
    images_.push_back(std::move(b));
  }
  Change();
}

void TCustomImageList::WriteData(TStream& s) {
  s.WriteInt32(Count());
  for (auto& b : images_) b->WriteData(s);
}

void TCustomImageList::DefineProperties(TFiler* filer) {
  TComponent::DefineProperties(filer);
  filer->DefineBinaryProperty(
      "Bitmap", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); }, Count() > 0);
}

// ---- drag images ---------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TChangeLink)
KORVAN_IMPLEMENT_CLASS(TDragImageList)

TDragImageList::~TDragImageList() {
  if (dragging_) EndDrag();
}

bool TDragImageList::SetDragImage(Integer index, Integer hx, Integer hy) {
  if (index < 0 || index >= Count()) return false;
  dragIndex_ = index;
  hotSpot_ = {hx, hy};
  return true;
}

void TDragImageList::Paint(TPoint screen) {
  if (dragIndex_ < 0 || dragIndex_ >= Count()) return;
  // Exclusive-or onto the screen: drawing at the same place again removes it.
  HDC dc = GetDC(nullptr);
  TBitmap* img = images_[size_t(dragIndex_)].get();
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, img->Handle());
  BitBlt(dc, screen.X - hotSpot_.X, screen.Y - hotSpot_.Y, width_, height_, mem, 0, 0, SRCINVERT);
  SelectObject(mem, old);
  DeleteDC(mem);
  ReleaseDC(nullptr, dc);
}

bool TDragImageList::BeginDrag(HWND window, Integer x, Integer y) {
  if (dragging_) EndDrag();
  window_ = window;
  POINT p{x, y};
  if (window) ClientToScreen(window, &p);
  pos_ = p;
  dragging_ = true;
  ShowDragImage();
  return true;
}

bool TDragImageList::DragMove(Integer x, Integer y) {
  if (!dragging_) return false;
  POINT p{x, y};
  if (window_) ClientToScreen(window_, &p);
  bool wasShown = shown_;
  if (wasShown) HideDragImage();
  pos_ = p;
  if (wasShown) ShowDragImage();
  return true;
}

bool TDragImageList::EndDrag() {
  if (!dragging_) return false;
  HideDragImage();
  dragging_ = false;
  window_ = nullptr;
  return true;
}

void TDragImageList::HideDragImage() {
  if (!shown_) return;
  Paint(pos_);
  shown_ = false;
}

void TDragImageList::ShowDragImage() {
  if (!dragging_ || shown_) return;
  Paint(pos_);
  shown_ = true;
}

KORVAN_IMPLEMENT_CLASS(TImageList)

void InitializeImgList() {
  InitUnit("ImgList", [] {
    InitializeControls();
    for (TClass c : {TCustomImageList::StaticClass(), TDragImageList::StaticClass(), TImageList::StaticClass()})
      RegisterClass(c);
  });
}
