#include "tests/support/HeadlessFixture.h"

#include "tests/support/TestSupport.h"

namespace testing_support {

THeadlessSession::THeadlessSession(int screenWidth, int screenHeight)
    : backend_(std::make_unique<THeadlessBackend>(screenWidth, screenHeight)) {
  SetClock(&clock_);
  backend_->SetManualClock(&clock_);
  SetBackend(backend_.get());
  InputMouseMove({screenWidth - 1, screenHeight - 1});
}

THeadlessSession::~THeadlessSession() {
  ReleaseCapture();
  HWND w;
  int guard = 0;
  while ((w = GetTopWindow(nullptr)) != nullptr && guard++ < 10000) DestroyWindow(w);
  DestroyCaret();
  // Leave no input or messages behind for the next test.
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE) && guard++ < 100000) {
  }
  for (int vk = 1; vk < 256; ++vk)
    if (GetAsyncKeyState(vk) & 0x8000) InputKey(vk, false);
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE) && guard++ < 100000) {
  }
  SetBackend(nullptr);
  SetClock(nullptr);
}

int THeadlessSession::Pump() {
  MSG m;
  int n = 0;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(int(m.wParam));
      break;
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
    if (++n > 100000) {
      ADD_FAILURE() << "the message queue never runs empty";
      break;
    }
  }
  return n;
}

void THeadlessSession::Advance(uint64_t ms) {
  Pump();
  while (ms > 0) {
    int due = backend_->NextTimerDue();
    uint64_t step = (due < 0 || uint64_t(due) > ms) ? ms : uint64_t(std::max(due, 1));
    clock_.Advance(step);
    ms -= step;
    Pump();
  }
}

POINT THeadlessSession::ScreenPoint(HWND wnd, POINT client) {
  ClientToScreen(wnd, &client);
  return client;
}

void THeadlessSession::MoveMouse(HWND wnd, POINT client) {
  InputMouseMove(ScreenPoint(wnd, client));
  Pump();
}

void THeadlessSession::MouseDown(HWND wnd, POINT client, int button) {
  POINT p = ScreenPoint(wnd, client);
  InputMouseMove(p);
  InputMouseButton(button, true, p);
  Pump();
}

void THeadlessSession::MouseUp(HWND wnd, POINT client, int button) {
  POINT p = ScreenPoint(wnd, client);
  InputMouseMove(p);
  InputMouseButton(button, false, p);
  Pump();
}

void THeadlessSession::Click(HWND wnd, POINT client, int button) {
  POINT p = ScreenPoint(wnd, client);
  InputMouseMove(p);
  InputMouseButton(button, true, p);
  InputMouseButton(button, false, p);
  Pump();
}

void THeadlessSession::DoubleClick(HWND wnd, POINT client, int button) {
  Click(wnd, client, button);
  clock_.Advance(50);
  Click(wnd, client, button);
}

void THeadlessSession::MouseDownAt(POINT screen, int button) {
  InputMouseMove(screen);
  InputMouseButton(button, true, screen);
  Pump();
}

void THeadlessSession::MoveMouseTo(POINT screen) {
  InputMouseMove(screen);
  Pump();
}

void THeadlessSession::MouseUpAt(POINT screen, int button) {
  InputMouseMove(screen);
  InputMouseButton(button, false, screen);
  Pump();
}

void THeadlessSession::Drag(POINT from, POINT to, int steps) {
  MouseDownAt(from);
  for (int i = 1; i <= steps; ++i)
    MoveMouseTo(POINT{from.X + (to.X - from.X) * i / steps, from.Y + (to.Y - from.Y) * i / steps});
  MouseUpAt(to);
}

void THeadlessSession::Wheel(HWND wnd, POINT client, int delta) {
  InputMouseWheel(delta, ScreenPoint(wnd, client));
  Pump();
}

void THeadlessSession::KeyDown(int vk) {
  InputKey(vk, true);
  Pump();
}

void THeadlessSession::KeyUp(int vk) {
  InputKey(vk, false);
  Pump();
}

void THeadlessSession::PressKey(int vk, bool shift, bool ctrl, bool alt) {
  if (shift) InputKey(VK_SHIFT, true);
  if (ctrl) InputKey(VK_CONTROL, true);
  if (alt) InputKey(VK_MENU, true);
  InputKey(vk, true);
  InputKey(vk, false);
  if (alt) InputKey(VK_MENU, false);
  if (ctrl) InputKey(VK_CONTROL, false);
  if (shift) InputKey(VK_SHIFT, false);
  Pump();
}

void THeadlessSession::TypeText(const String& utf8) {
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
    String ch = utf8.substr(i, n);
    i += n;
    int vk = 0;
    bool shift = false;
    if (c >= 'a' && c <= 'z') vk = c - 32;
    else if (c >= 'A' && c <= 'Z') vk = c, shift = true;
    else if (c >= '0' && c <= '9') vk = c;
    else if (c == ' ') vk = VK_SPACE;
    if (vk) {
      if (shift) InputKey(VK_SHIFT, true);
      InputKey(vk, true);
      InputText(ch);
      InputKey(vk, false);
      if (shift) InputKey(VK_SHIFT, false);
    } else {
      InputText(ch);
    }
    Pump();
  }
}

String THeadlessSession::Snapshot(HWND wnd, const String& fileName, bool clientOnly) {
  Pump();
  String path = SheetPath(fileName);
  if (!THeadlessBackend::SaveWindowPng(wnd, path, clientOnly)) ADD_FAILURE() << "no snapshot of " << fileName;
  return path;
}

String THeadlessSession::SnapshotScreen(const String& fileName) {
  Pump();
  String path = SheetPath(fileName);
  if (!THeadlessBackend::SaveScreenPng(path)) ADD_FAILURE() << "no snapshot of " << fileName;
  return path;
}

}  // namespace testing_support
