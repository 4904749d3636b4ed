#include "backend/Headless.h"

#include <algorithm>
#include <cstring>

#include "rtl/System.h"
#include "user/WinInternal.h"

THeadlessBackend::THeadlessBackend(int screenWidth, int screenHeight) {
  RECT b{0, 0, screenWidth, screenHeight};
  RECT w{0, 0, screenWidth, screenHeight - 30};
  monitors_.push_back({b, w});
}

THeadlessBackend::~THeadlessBackend() {
  if (Backend() == this) SetBackend(nullptr);
}

void THeadlessBackend::SetMonitors(std::vector<TMonitorInfo> monitors) {
  if (monitors.empty()) return;
  monitors_ = std::move(monitors);
  if (Backend() == this) InputDisplayChanged();
}

int THeadlessBackend::NextTimerDue() const { return wm::NextTimerDue(Clock().TickCount()); }

bool THeadlessBackend::NativeShown(HWND wnd) const {
  auto it = natives_.find(wnd);
  return it != natives_.end() && it->second.shown;
}

int THeadlessBackend::PresentCount(HWND wnd) const {
  auto it = natives_.find(wnd);
  return it == natives_.end() ? 0 : it->second.presents;
}

void THeadlessBackend::CreateNativeWindow(HWND wnd, const TNativeWindowParams& params) {
  natives_[wnd].params = params;
}

void THeadlessBackend::DestroyNativeWindow(HWND wnd) { natives_.erase(wnd); }

void THeadlessBackend::SetNativeBounds(HWND wnd, const RECT& bounds) {
  auto it = natives_.find(wnd);
  if (it != natives_.end()) it->second.params.bounds = bounds;
}

void THeadlessBackend::ShowNativeWindow(HWND wnd, bool show, bool) {
  auto it = natives_.find(wnd);
  if (it != natives_.end()) it->second.shown = show;
}

void THeadlessBackend::SetNativeTitle(HWND wnd, const String& title) {
  auto it = natives_.find(wnd);
  if (it != natives_.end()) it->second.params.title = title;
}

void THeadlessBackend::RaiseNativeWindow(HWND) {}

const TSurface* THeadlessBackend::PresentedPixels(HWND wnd) const {
  auto it = natives_.find(wnd);
  return it == natives_.end() ? nullptr : &it->second.pixels;
}

void THeadlessBackend::Present(HWND wnd, const TSurface& pixels, const RECT& source, const RECT& dirty) {
  auto it = natives_.find(wnd);
  if (it == natives_.end()) return;
  ++it->second.presents;
  TSurface& shown = it->second.pixels;
  if (shown.Width() != source.Width() || shown.Height() != source.Height())
    shown.Resize(source.Width(), source.Height());
  for (int y = std::max(dirty.Top, 0); y < std::min(dirty.Bottom, source.Height()); ++y) {
    int sy = source.Top + y;
    if (sy < 0 || sy >= pixels.Height()) continue;
    for (int x = std::max(dirty.Left, 0); x < std::min(dirty.Right, source.Width()); ++x) {
      int sx = source.Left + x;
      if (sx >= 0 && sx < pixels.Width()) shown.At(x, y) = pixels.At(sx, sy);
    }
  }
}

void THeadlessBackend::WaitForEvents(int timeoutMs) {
  ++waits_;
  if (!idle_.empty()) {
    auto action = std::move(idle_.front());
    idle_.pop_front();
    action();
    return;
  }
  if (timeoutMs >= 0 && clock_) {
    clock_->Advance(uint64_t(timeoutMs));
    return;
  }
  throw EInvalidOperation("The program waits for input, but the test scheduled none");
}

bool THeadlessBackend::GetClipboardText(String& utf8) {
  utf8 = clipboard_;
  return true;
}

bool THeadlessBackend::CopyWindowPixels(HWND wnd, TSurface& out, bool clientOnly) {
  HWND w = wm::Valid(wnd);
  if (!w || w->messageOnly || w->isDesktop) return false;
  HWND top = wm::TopLevelOf(w);
  wm::EnsureSurface(top);
  if (!top->surface) return false;
  POINT o = wm::OriginInTop(w);
  RECT r = clientOnly ? w->client : RECT{0, 0, w->rect.Width(), w->rect.Height()};
  OffsetRect(&r, o.X, o.Y);
  out.Resize(r.Width(), r.Height());
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x) {
      int sx = r.Left + x, sy = r.Top + y;
      if (sx >= 0 && sy >= 0 && sx < top->surface->Width() && sy < top->surface->Height())
        out.At(x, y) = top->surface->At(sx, sy);
    }
  return true;
}

bool THeadlessBackend::SaveWindowPng(HWND wnd, const String& path, bool clientOnly) {
  TSurface s;
  if (!CopyWindowPixels(wnd, s, clientOnly)) return false;
  return SaveSurfaceToPng(s, path);
}

bool THeadlessBackend::SaveScreenPng(const String& path) {
  wm::PresentPending();
  return SaveSurfaceToPng(wm::ScreenBuffer(), path);
}
