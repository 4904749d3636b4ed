#include "tests/platform/user/UserTestSupport.h"

#include <map>

namespace usertest {

namespace {
std::map<HWND, THandler>& Handlers() {
  static std::map<HWND, THandler> h;
  return h;
}

LRESULT LogProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (Log().recording) Log().entries.push_back({w, msg, wp, lp});
  auto it = Handlers().find(w);
  if (it != Handlers().end()) {
    THandler h = it->second;
    LRESULT r = 0;
    if (h(w, msg, wp, lp, r)) return r;
  }
  if (msg == WM_NCDESTROY) Handlers().erase(w);
  return DefWindowProc(w, msg, wp, lp);
}
}  // namespace

TLog& Log() {
  static TLog log;
  return log;
}

std::vector<UINT> TLog::Of(HWND w, bool withPaint) const {
  std::vector<UINT> v;
  for (auto& e : entries)
    if ((!w || e.wnd == w) && (withPaint || (e.msg != WM_PAINT && e.msg != WM_NCPAINT && e.msg != WM_ERASEBKGND)))
      v.push_back(e.msg);
  return v;
}

bool TLog::HasInOrder(const std::vector<UINT>& seq, HWND w) const {
  size_t k = 0;
  for (auto& e : entries) {
    if (w && e.wnd != w) continue;
    if (k < seq.size() && e.msg == seq[k]) ++k;
  }
  return k == seq.size();
}

int TLog::Count(UINT msg, HWND w) const {
  int n = 0;
  for (auto& e : entries)
    if (e.msg == msg && (!w || e.wnd == w)) ++n;
  return n;
}

void RegisterLogClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASS wc;
  wc.lpfnWndProc = LogProc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(intptr_t(COLOR_BTNFACE + 1));
  wc.lpszClassName = "LogWnd";
  RegisterClass(&wc);
  wc.style = CS_DBLCLKS;
  wc.lpszClassName = "LogWndDbl";
  RegisterClass(&wc);
}

void SetHandler(HWND w, THandler h) {
  if (h)
    Handlers()[w] = std::move(h);
  else
    Handlers().erase(w);
}

HWND CreateTop(const char* title, RECT b, DWORD style, DWORD exStyle, const char* cls) {
  RegisterLogClasses();
  return CreateWindowEx(exStyle, cls, title, style, b.Left, b.Top, b.Width(), b.Height(), nullptr,
                        nullptr, nullptr, nullptr);
}

HWND CreateChild(HWND parent, RECT b, DWORD style, int id, const char* cls) {
  RegisterLogClasses();
  return CreateWindowEx(0, cls, "", style, b.Left, b.Top, b.Width(), b.Height(), parent,
                        reinterpret_cast<HMENU>(intptr_t(id)), nullptr, nullptr);
}

void PaintSolid(HWND w, COLORREF color) {
  SetHandler(w, [color](HWND h, UINT msg, WPARAM, LPARAM, LRESULT& r) {
    if (msg == WM_ERASEBKGND) {
      r = 1;
      return true;
    }
    if (msg != WM_PAINT) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT c;
    GetClientRect(h, &c);
    HBRUSH br = CreateSolidBrush(color);
    FillRect(dc, &c, br);
    DeleteObject(br);
    EndPaint(h, &ps);
    r = 0;
    return true;
  });
}

COLORREF PixelAt(HWND top, int x, int y) {
  TSurface s;
  if (!THeadlessBackend::CopyWindowPixels(top, s) || x < 0 || y < 0 || x >= s.Width() || y >= s.Height())
    return CLR_INVALID;
  return PixelToColorRef(s.At(x, y) & 0xFFFFFF);
}

}  // namespace usertest
