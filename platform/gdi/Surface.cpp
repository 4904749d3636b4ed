// Pixel surfaces: owned or borrowed 32-bit pixel memory.
#include "gdi/Surface.h"

#include <algorithm>

TSurface::TSurface(int width, int height) { Resize(width, height); }

TSurface TSurface::Borrow(uint32_t* pixels, int width, int height, int stride) {
  TSurface s;
  if (!pixels || width <= 0 || height <= 0) return s;
  s.width_ = width;
  s.height_ = height;
  s.stride_ = stride;
  s.pixels_ = pixels;
  return s;
}

TSurface::TSurface(TSurface&& o) noexcept { *this = std::move(o); }

TSurface& TSurface::operator=(TSurface&& o) noexcept {
  if (this == &o) return *this;
  bool owned = !o.storage_.empty();
  storage_ = std::move(o.storage_);
  width_ = o.width_;
  height_ = o.height_;
  stride_ = o.stride_;
  pixels_ = owned ? storage_.data() : o.pixels_;
  o.width_ = o.height_ = o.stride_ = 0;
  o.pixels_ = nullptr;
  o.storage_.clear();
  return *this;
}

void TSurface::Resize(int width, int height) {
  if (width <= 0 || height <= 0) {
    storage_.clear();
    width_ = height_ = stride_ = 0;
    pixels_ = nullptr;
    return;
  }
  storage_.assign(size_t(width) * size_t(height), 0u);
  width_ = width;
  height_ = height;
  stride_ = width;
  pixels_ = storage_.data();
}

void TSurface::Fill(uint32_t pixel) {
  for (int y = 0; y < height_; ++y) std::fill(Row(y), Row(y) + width_, pixel);
}
