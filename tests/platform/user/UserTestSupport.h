// Helpers of the window-manager tests: a window class whose procedure records messages.
#pragma once

#include <functional>
#include <vector>

#include "tests/support/HeadlessFixture.h"

namespace usertest {

struct TLogged {
  HWND wnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// Every message to a window of the "LogWnd" classes goes here (when recording) and then to
// the window's handler (if any) or DefWindowProc.
struct TLog {
  std::vector<TLogged> entries;
  bool recording = true;
  // Messages of the log for one window (or every window), in order.
  std::vector<UINT> Of(HWND w = nullptr, bool withPaint = true) const;
  // Whether `sequence` appears in order (not necessarily adjacent) among the messages.
  bool HasInOrder(const std::vector<UINT>& seq, HWND w = nullptr) const;
  int Count(UINT msg, HWND w = nullptr) const;
  void Clear() { entries.clear(); }
};

TLog& Log();

using THandler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;
// Registers "LogWnd" (no double clicks) and "LogWndDbl" (CS_DBLCLKS) once.
void RegisterLogClasses();
// Sets a handler for a window: it returns true when it answered the message.
void SetHandler(HWND w, THandler h);

HWND CreateTop(const char* title, RECT bounds, DWORD style = WS_OVERLAPPEDWINDOW, DWORD exStyle = 0,
               const char* cls = "LogWnd");
HWND CreateChild(HWND parent, RECT bounds, DWORD style = WS_CHILD | WS_VISIBLE, int id = 0,
                 const char* cls = "LogWnd");

// A window that fills its client area with one colour when painted.
void PaintSolid(HWND w, COLORREF color);
COLORREF PixelAt(HWND top, int x, int y);  // window coordinates of a top-level window

}  // namespace usertest
