// Cursors and icons: the standard shapes and our own images.
#include <algorithm>
#include <map>

#include "user/WinInternal.h"

struct HICON__ {
  int standardId = 0;  // 32512... for the standard cursors, 0 for images
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB, alpha 0 transparent
  POINT hot{0, 0};
  bool icon = false;
};

namespace {

struct TCursorState {
  std::map<int, HICON__*> standard;
  HCURSOR current = nullptr;
  int showCount = 0;
  std::vector<HICON__*> owned;
  ~TCursorState() {
    for (auto& p : standard) delete p.second;
    for (HICON o : owned) delete o;
  }
};

TCursorState& CS() {
  static TCursorState s;
  return s;
}

bool IsStandard(HICON c) {
  for (auto& p : CS().standard)
    if (p.second == c) return true;
  return false;
}

bool IsKnown(HICON c) {
  if (!c) return false;
  if (IsStandard(c)) return true;
  for (HICON o : CS().owned)
    if (o == c) return true;
  return false;
}

HICON Register(HICON c) {
  CS().owned.push_back(c);
  return c;
}

}  // namespace

HCURSOR LoadCursor(HINSTANCE instance, const char* name) {
  intptr_t id = reinterpret_cast<intptr_t>(name);
  if (instance || id <= 0 || id > 0xFFFF) return nullptr;
  static const int known[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642,
                              32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651};
  bool ok = false;
  for (int k : known) ok |= k == id;
  if (!ok) return nullptr;
  auto& s = CS().standard;
  auto it = s.find(int(id));
  if (it != s.end()) return it->second;
  HICON__* c = new HICON__;
  c->standardId = int(id);
  s[int(id)] = c;
  return c;
}

HICON LoadIcon(HINSTANCE instance, const char* name) {
  HICON c = LoadCursor(instance, name);
  return c;
}

HCURSOR CreateCursorFromPixels(int width, int height, const uint32_t* pixels, int hotX, int hotY) {
  if (width <= 0 || height <= 0 || width > 256 || height > 256 || !pixels) return nullptr;
  HICON__* c = new HICON__;
  c->width = width;
  c->height = height;
  c->pixels.assign(pixels, pixels + size_t(width) * size_t(height));
  c->hot = {std::clamp(hotX, 0, width - 1), std::clamp(hotY, 0, height - 1)};
  return Register(c);
}

HICON CreateIconIndirect(const ICONINFO* info) {
  if (!info || !info->hbmMask) return nullptr;
  TSurface* mask = GetBitmapSurface(info->hbmMask);
  if (!mask) return nullptr;
  TSurface* color = info->hbmColor ? GetBitmapSurface(info->hbmColor) : nullptr;
  int w = mask->Width();
  int h = color ? color->Height() : mask->Height() / 2;
  if (color) w = color->Width();
  if (w <= 0 || h <= 0) return nullptr;
  std::vector<uint32_t> px(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      bool andBit = x < mask->Width() && y < mask->Height() && (mask->At(x, y) & 0xFFFFFF) != 0;
      uint32_t v;
      if (color) {
        v = andBit ? 0 : (0xFF000000u | (color->At(x, y) & 0xFFFFFF));
      } else {
        bool xorBit = y + h < mask->Height() && (mask->At(x, y + h) & 0xFFFFFF) != 0;
        v = andBit && !xorBit ? 0 : (xorBit ? 0xFFFFFFFFu : 0xFF000000u);
      }
      px[size_t(y) * size_t(w) + size_t(x)] = v;
    }
  HICON c = CreateCursorFromPixels(w, h, px.data(), int(info->xHotspot), int(info->yHotspot));
  if (c) c->icon = info->fIcon != 0;
  return c;
}

HCURSOR CopyCursor(HCURSOR cursor) {
  if (!IsKnown(cursor)) return nullptr;
  if (IsStandard(cursor)) return cursor;
  HICON__* c = new HICON__(*cursor);
  return Register(c);
}

BOOL DestroyCursor(HCURSOR cursor) {
  if (!IsKnown(cursor)) return FALSE;
  if (IsStandard(cursor)) return TRUE;
  auto& v = CS().owned;
  v.erase(std::remove(v.begin(), v.end(), cursor), v.end());
  if (CS().current == cursor) SetCursor(LoadCursor(nullptr, IDC_ARROW));
  delete cursor;
  return TRUE;
}

BOOL DestroyIcon(HICON icon) { return DestroyCursor(icon); }

HCURSOR SetCursor(HCURSOR cursor) {
  auto& s = CS();
  HCURSOR old = s.current;
  if (cursor && !IsKnown(cursor)) return old;
  if (cursor != old) {
    s.current = cursor;
    if (Backend() && s.showCount >= 0) Backend()->SetCursorImage(cursor);
  }
  return old;
}

HCURSOR GetCursor() { return CS().current; }

int ShowCursor(BOOL show) {
  auto& s = CS();
  s.showCount += show ? 1 : -1;
  if (Backend()) Backend()->SetCursorImage(s.showCount >= 0 ? s.current : nullptr);
  return s.showCount;
}

BOOL GetIconInfo(HICON icon, ICONINFO* info) {
  if (!IsKnown(icon) || !info) return FALSE;
  *info = ICONINFO{};
  info->fIcon = icon->icon;
  info->xHotspot = DWORD(icon->hot.X);
  info->yHotspot = DWORD(icon->hot.Y);
  if (!icon->pixels.empty()) {
    info->hbmColor = CreateBitmap(icon->width, icon->height, 1, 32, nullptr);
    std::vector<uint8_t> mask(size_t((icon->width + 15) / 16 * 2) * size_t(icon->height), 0);
    info->hbmMask = CreateBitmap(icon->width, icon->height, 1, 1, nullptr);
    if (TSurface* s = GetBitmapSurface(info->hbmColor))
      for (int y = 0; y < icon->height; ++y)
        for (int x = 0; x < icon->width; ++x) s->At(x, y) = icon->pixels[size_t(y) * size_t(icon->width) + size_t(x)] & 0xFFFFFF;
    if (TSurface* m = GetBitmapSurface(info->hbmMask))
      for (int y = 0; y < icon->height; ++y)
        for (int x = 0; x < icon->width; ++x)
          m->At(x, y) = (icon->pixels[size_t(y) * size_t(icon->width) + size_t(x)] >> 24) < 128 ? 0xFFFFFF : 0;
  }
  return TRUE;
}

int GetCursorStandardId(HCURSOR cursor) { return IsKnown(cursor) ? cursor->standardId : 0; }

int GetCursorHeightBelowHotSpot(HCURSOR cursor) {
  ICONINFO info;
  int result = -1;
  if (GetIconInfo(cursor, &info)) {
    TSurface* mask = info.hbmMask ? GetBitmapSurface(info.hbmMask) : nullptr;
    TSurface* color = info.hbmColor ? GetBitmapSurface(info.hbmColor) : nullptr;
    if (mask && mask->Width() > 0) {
      // Without a colour image the mask holds the AND half above the XOR half.
      const int height = color ? mask->Height() : mask->Height() / 2;
      int last = -1;
      for (int y = height - 1; y >= 0 && last < 0; --y)
        for (int x = 0; x < mask->Width(); ++x) {
          const bool shows = (mask->At(x, y) & 0xFFFFFF) == 0;
          const bool inverts = !color && (mask->At(x, y + height) & 0xFFFFFF) != 0;
          if (shows || inverts) {
            last = y;
            break;
          }
        }
      result = std::max(0, last + 1 - int(info.yHotspot));
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  }
  return result >= 0 ? result : GetSystemMetrics(SM_CYCURSOR);
}

namespace wm {
// For backends: the image of a cursor made from pixels.
bool CursorImage(HCURSOR cursor, int* width, int* height, const uint32_t** pixels, POINT* hot) {
  if (!IsKnown(cursor) || cursor->pixels.empty()) return false;
  *width = cursor->width;
  *height = cursor->height;
  *pixels = cursor->pixels.data();
  *hot = cursor->hot;
  return true;
}
}  // namespace wm
