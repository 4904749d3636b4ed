// Window and thread timers, driven by the program's clock (rtl/Clock.h).
#include <algorithm>
#include <limits>

#include "rtl/Clock.h"
#include "user/WinInternal.h"

namespace {

struct TTimer {
  HWND wnd = nullptr;
  UINT_PTR id = 0;
  UINT elapse = 0;
  TIMERPROC proc = nullptr;
  uint64_t due = 0;
};

struct TTimerState {
  std::vector<TTimer> timers;
  UINT_PTR nextThreadId = 1;
};

TTimerState& T() {
  static TTimerState s;
  return s;
}

}  // namespace

UINT_PTR SetTimer(HWND wnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  auto& s = T();
  if (wnd && !wm::Valid(wnd)) return 0;
  elapse = std::clamp(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  uint64_t now = Clock().TickCount();
  if (!wnd) {
    for (auto& t : s.timers)
      if (!t.wnd && t.id == id && id) {
        t.elapse = elapse;
        t.proc = proc;
        t.due = now + elapse;
        return id;
      }
    id = s.nextThreadId++;
  } else {
    for (auto& t : s.timers)
      if (t.wnd == wnd && t.id == id) {
        t.elapse = elapse;
        t.proc = proc;
        t.due = now + elapse;
        return id ? id : 1;
      }
  }
  TTimer t;
  t.wnd = wnd;
  t.id = id;
  t.elapse = elapse;
  t.proc = proc;
  t.due = now + elapse;
  s.timers.push_back(t);
  return id ? id : 1;
}

BOOL KillTimer(HWND wnd, UINT_PTR id) {
  auto& v = T().timers;
  auto it = std::find_if(v.begin(), v.end(), [&](const TTimer& t) { return t.wnd == wnd && t.id == id; });
  if (it == v.end()) return FALSE;
  v.erase(it);
  return TRUE;
}

namespace wm {

int NextTimerDue(uint64_t now) {
  uint64_t best = std::numeric_limits<uint64_t>::max();
  for (auto& t : T().timers) best = std::min(best, t.due);
  int caret = CaretNextBlink(now);
  if (best == std::numeric_limits<uint64_t>::max()) return caret;
  int d = best <= now ? 0 : int(std::min<uint64_t>(best - now, 0x7FFFFFFF));
  if (caret >= 0) d = std::min(d, caret);
  return d;
}

bool TakeTimerMessage(MSG* msg, HWND filter, UINT min, UINT max, bool remove) {
  if ((min || max) && (WM_TIMER < min || WM_TIMER > max)) return false;
  uint64_t now = Clock().TickCount();
  auto& v = T().timers;
  for (auto& t : v) {
    if (t.due > now) continue;
    if (filter == reinterpret_cast<HWND>(intptr_t(-1)) ? t.wnd != nullptr : (filter && t.wnd != filter)) continue;
    MSG m;
    m.hwnd = t.wnd;
    m.message = WM_TIMER;
    m.wParam = WPARAM(t.id);
    m.lParam = reinterpret_cast<LPARAM>(t.proc);
    m.time = DWORD(now);
    GetCursorPos(&m.pt);
    // The next period starts when this one is taken; missed periods do not pile up.
    if (remove) t.due = now + t.elapse;
    *msg = m;
    return true;
  }
  return false;
}

void KillTimersOf(HWND w) {
  auto& v = T().timers;
  v.erase(std::remove_if(v.begin(), v.end(), [w](const TTimer& t) { return t.wnd == w; }), v.end());
}

}  // namespace wm
