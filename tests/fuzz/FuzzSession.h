// The headless window session that fuzz targets of the class framework run in, started once,
// with the input helpers the targets share: message pumping (a queue that never runs empty is
// a hang), keys, typed text and clicks at window points, and a strict exception policy.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "backend/Headless.h"
#include "rtl/Clock.h"
#include "user/Backend.h"
#include "user/WinUser.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"

inline TManualClock& FuzzClock() {
  static TManualClock clock;
  return clock;
}

inline THeadlessBackend& FuzzBackend() {
  static auto* backend = new THeadlessBackend();
  return *backend;
}

// An exception that reaches the application's handler is the program's message box when it is
// one of the framework's errors; anything else (an index out of range, a failed allocation) is
// a fault and stops the run.
inline void StrictExceptionHandler(TObject*, const Exception&) {
  try {
    throw;
  } catch (const EAbort&) {
  } catch (const Exception&) {
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fuzz: an exception reached the application: %s\n", e.what());
    std::abort();
  }
}

inline void StartFuzzSession() {
  static bool started = [] {
    SetClock(&FuzzClock());
    FuzzBackend().SetManualClock(&FuzzClock());
    SetBackend(&FuzzBackend());
    InitializeForms();
    Application->OnException = StrictExceptionHandler;
    Application->SetMessageBoxHook([](const String&, const String&, UINT) { return IDOK; });
    SetMessageDlgHook([](const String&, TMsgDlgType, TMsgDlgButtons) { return Integer(mrYes); });
    SetFileDialogHook([](TOpenDialog*) { return false; });
    return true;
  }();
  (void)started;
}

// Dispatches every waiting message; a queue that keeps refilling is a hang.
inline int FuzzPump() {
  MSG m;
  int n = 0;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) break;
    TranslateMessage(&m);
    DispatchMessage(&m);
    if (++n > 200000) {
      std::fprintf(stderr, "fuzz: the message queue never runs empty\n");
      std::abort();
    }
  }
  return n;
}

// Moves the clock on, firing the timers due on the way.
inline void FuzzAdvance(uint64_t ms) {
  FuzzPump();
  while (ms > 0) {
    int due = FuzzBackend().NextTimerDue();
    uint64_t step = (due < 0 || uint64_t(due) > ms) ? ms : uint64_t(due < 1 ? 1 : due);
    FuzzClock().Advance(step);
    ms -= step;
    FuzzPump();
  }
}

inline void FuzzKey(int vk, bool shift = false, bool ctrl = false) {
  if (shift) InputKey(VK_SHIFT, true);
  if (ctrl) InputKey(VK_CONTROL, true);
  InputKey(vk, true);
  InputKey(vk, false);
  if (ctrl) InputKey(VK_CONTROL, false);
  if (shift) InputKey(VK_SHIFT, false);
  FuzzPump();
}

// A character typed: letters, digits and space through their keys, anything else as committed
// input-method text.
inline void FuzzTypeChar(const String& ch) {
  unsigned char c = static_cast<unsigned char>(ch.empty() ? 0 : ch[0]);
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
  FuzzPump();
}

inline void FuzzClick(HWND wnd, POINT client, bool dbl = false) {
  ClientToScreen(wnd, &client);
  InputMouseMove(client);
  for (int i = 0; i < (dbl ? 2 : 1); ++i) {
    InputMouseButton(kMouseLeft, true, client);
    InputMouseButton(kMouseLeft, false, client);
  }
  FuzzPump();
  FuzzAdvance(600);  // past the double-click time
}

// The last windows of an input destroyed and no key left down for the next.
inline void FuzzEndInput() {
  ReleaseCapture();
  for (int vk = 1; vk < 256; ++vk)
    if (GetAsyncKeyState(vk) & 0x8000) InputKey(vk, false);
  FuzzPump();
}

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
inline bool IsValidUtf8(const String& s) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    uint32_t cp = n == 1 ? c : c & (0x7f >> n);
    for (size_t k = 1; k < n; ++k) {
      const unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d >> 6) != 2) return false;
      cp = (cp << 6) | (d & 0x3f);
    }
    if ((n == 2 && cp < 0x80) || (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000) || cp > 0x10ffff ||
        (cp >= 0xd800 && cp <= 0xdfff))
      return false;
    i += n;
  }
  return true;
}

// Reads bytes of the input in turn; past the end every read answers 0.
class TFuzzInput {
 public:
  TFuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  size_t Left() const { return size_ - pos_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint32_t Word32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | Byte();
    return v;
  }
  uint64_t Word64() { return (uint64_t(Word32()) << 32) | Word32(); }
  // Text up to a terminating byte (not included) or the end.
  String Text(uint8_t end = 0) {
    String s;
    while (pos_ < size_ && data_[pos_] != end) s += char(data_[pos_++]);
    if (pos_ < size_) ++pos_;
    return s;
  }
  // A text of at most `max` bytes, its length read first.
  String Short(size_t max) {
    size_t n = Byte() % (max + 1);
    String s;
    for (size_t i = 0; i < n && pos_ < size_; ++i) s += char(data_[pos_++]);
    return s;
  }
  String Rest() {
    String s(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_);
    pos_ = size_;
    return s;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};
