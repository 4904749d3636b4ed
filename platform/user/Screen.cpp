// The backend in use, screen and monitors, system parameters, and the window-system events
// that backends report.
#include <algorithm>

#include "user/WinInternal.h"

struct HMONITOR__ {
  int index = 0;
};

namespace {

struct TScreenState {
  TBackend* backend = nullptr;
  HMONITOR__ monitors[16];
  bool workAreaSet = false;
  RECT workArea;
  UINT wheelLines = 3;
  UINT wheelChars = 3;
  UINT hoverWidth = 4, hoverHeight = 4, hoverTime = 400;
  bool dragFullWindows = true;
};

TScreenState& S() {
  static TScreenState s;
  for (int i = 0; i < 16; ++i) s.monitors[i].index = i;
  return s;
}

std::vector<TMonitorInfo> MonitorList() {
  std::vector<TMonitorInfo> v;
  if (S().backend) v = S().backend->Monitors();
  if (v.empty()) v.push_back({RECT{0, 0, 1280, 800}, RECT{0, 0, 1280, 770}});
  if (v.size() > 16) v.resize(16);
  if (S().workAreaSet) v[0].work = S().workArea;
  return v;
}

void ApplyScreenMetrics() {
  RECT r = wm::ScreenRect();
  SetSystemMetric(SM_CXSCREEN, r.Width());
  SetSystemMetric(SM_CYSCREEN, r.Height());
  HWND d = wm::Desktop();
  d->rect = r;
  d->client = {0, 0, r.Width(), r.Height()};
}

HMONITOR Nearest(POINT p, DWORD flags) {
  auto v = MonitorList();
  for (size_t i = 0; i < v.size(); ++i)
    if (v[i].bounds.Contains(p)) return &S().monitors[i];
  if (flags == MONITOR_DEFAULTTONULL) return nullptr;
  if (flags == MONITOR_DEFAULTTOPRIMARY) return &S().monitors[0];
  long best = -1;
  size_t bi = 0;
  for (size_t i = 0; i < v.size(); ++i) {
    const RECT& b = v[i].bounds;
    long dx = p.X < b.Left ? b.Left - p.X : p.X >= b.Right ? p.X - b.Right + 1 : 0;
    long dy = p.Y < b.Top ? b.Top - p.Y : p.Y >= b.Bottom ? p.Y - b.Bottom + 1 : 0;
    long d = dx * dx + dy * dy;
    if (best < 0 || d < best) best = d, bi = i;
  }
  return &S().monitors[bi];
}

}  // namespace

TBackend* Backend() { return S().backend; }

void SetBackend(TBackend* backend) {
  S().backend = backend;
  ApplyScreenMetrics();
}

namespace wm {
RECT ScreenRect() { return MonitorList()[0].bounds; }
RECT WorkArea() { return MonitorList()[0].work; }
}  // namespace wm

HMONITOR MonitorFromPoint(POINT p, DWORD flags) { return Nearest(p, flags); }

HMONITOR MonitorFromRect(const RECT* r, DWORD flags) {
  if (!r) return nullptr;
  auto v = MonitorList();
  long bestArea = 0;
  int bi = -1;
  for (size_t i = 0; i < v.size(); ++i) {
    RECT inter;
    if (IntersectRect(&inter, r, &v[i].bounds)) {
      long a = long(inter.Width()) * inter.Height();
      if (a > bestArea) bestArea = a, bi = int(i);
    }
  }
  if (bi >= 0) return &S().monitors[bi];
  return Nearest({(r->Left + r->Right) / 2, (r->Top + r->Bottom) / 2}, flags);
}

HMONITOR MonitorFromWindow(HWND wnd, DWORD flags) {
  RECT r;
  if (!GetWindowRect(wnd, &r)) return flags == MONITOR_DEFAULTTONULL ? nullptr : &S().monitors[0];
  return MonitorFromRect(&r, flags);
}

BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) {
  if (!monitor || !info || info->cbSize < sizeof(MONITORINFO)) return FALSE;
  auto v = MonitorList();
  if (monitor < &S().monitors[0] || monitor >= &S().monitors[16] || size_t(monitor->index) >= v.size())
    return FALSE;
  info->rcMonitor = v[size_t(monitor->index)].bounds;
  info->rcWork = v[size_t(monitor->index)].work;
  info->dwFlags = monitor->index == 0 ? MONITORINFOF_PRIMARY : 0;
  return TRUE;
}

namespace {
void DefaultFont(LOGFONT& lf, bool bold) {
  lf = LOGFONT{};
  lf.lfHeight = -11;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  const char* name = "MS Sans Serif";
  for (int i = 0; name[i]; ++i) lf.lfFaceName[i] = name[i];
}

template <class T>
bool Put(void* pv, T value) {
  if (!pv) return false;
  *static_cast<T*>(pv) = value;
  return true;
}
}  // namespace

BOOL SystemParametersInfo(UINT action, UINT uiParam, void* pv, UINT winIni) {
  auto& s = S();
  bool ok = true;
  bool changed = false;
  switch (action) {
    case SPI_GETWORKAREA: ok = Put(pv, wm::WorkArea()); break;
    case SPI_SETWORKAREA:
      if (pv) {
        s.workArea = *static_cast<RECT*>(pv);
        s.workAreaSet = true;
      } else {
        s.workAreaSet = false;
      }
      changed = true;
      break;
    case SPI_GETWHEELSCROLLLINES: ok = Put(pv, s.wheelLines); break;
    case SPI_SETWHEELSCROLLLINES: s.wheelLines = uiParam; changed = true; break;
    case SPI_GETWHEELSCROLLCHARS: ok = Put(pv, s.wheelChars); break;
    case SPI_SETWHEELSCROLLCHARS: s.wheelChars = uiParam; changed = true; break;
    case SPI_SETDOUBLECLICKTIME: SetDoubleClickTime(uiParam); changed = true; break;
    case SPI_SETDOUBLECLKWIDTH: SetSystemMetric(SM_CXDOUBLECLK, int(uiParam)); changed = true; break;
    case SPI_SETDOUBLECLKHEIGHT: SetSystemMetric(SM_CYDOUBLECLK, int(uiParam)); changed = true; break;
    case SPI_GETMOUSEHOVERWIDTH: ok = Put(pv, s.hoverWidth); break;
    case SPI_GETMOUSEHOVERHEIGHT: ok = Put(pv, s.hoverHeight); break;
    case SPI_GETMOUSEHOVERTIME: ok = Put(pv, s.hoverTime); break;
    case SPI_GETDRAGFULLWINDOWS: ok = Put<BOOL>(pv, s.dragFullWindows); break;
    case SPI_GETKEYBOARDDELAY: ok = Put<int>(pv, 1); break;
    case SPI_GETKEYBOARDSPEED: ok = Put<DWORD>(pv, 31); break;
    case SPI_GETMENUSHOWDELAY: ok = Put<DWORD>(pv, 400); break;
    case SPI_GETBORDER: ok = Put<int>(pv, 1); break;
    case SPI_GETCARETWIDTH: ok = Put<DWORD>(pv, 1); break;
    case SPI_GETBEEP:
    case SPI_GETDROPSHADOW:
    case SPI_GETGRADIENTCAPTIONS:
    case SPI_GETHOTTRACKING:
    case SPI_GETUIEFFECTS:
    case SPI_GETKEYBOARDCUES:
      ok = Put<BOOL>(pv, action == SPI_GETGRADIENTCAPTIONS || action == SPI_GETHOTTRACKING ||
                             action == SPI_GETUIEFFECTS || action == SPI_GETKEYBOARDCUES);
      break;
    case SPI_GETFLATMENU:
    case SPI_GETMENUANIMATION:
    case SPI_GETCOMBOBOXANIMATION:
    case SPI_GETLISTBOXSMOOTHSCROLLING:
    case SPI_GETMENUFADE:
    case SPI_GETSELECTIONFADE:
    case SPI_GETTOOLTIPANIMATION:
    case SPI_GETTOOLTIPFADE:
    case SPI_GETCURSORSHADOW:
    case SPI_GETSCREENSAVEACTIVE:
    case SPI_GETFONTSMOOTHING:
      ok = Put<BOOL>(pv, action == SPI_GETFONTSMOOTHING);
      break;
    case SPI_GETHIGHCONTRAST:
      ok = false;
      break;
    case SPI_GETICONTITLELOGFONT: {
      if (!pv) return FALSE;
      DefaultFont(*static_cast<LOGFONT*>(pv), false);
      break;
    }
    case SPI_GETNONCLIENTMETRICS: {
      auto* m = static_cast<NONCLIENTMETRICS*>(pv);
      if (!m || m->cbSize != sizeof(NONCLIENTMETRICS)) return FALSE;
      m->iBorderWidth = 1;
      m->iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
      m->iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
      m->iCaptionWidth = GetSystemMetrics(SM_CXSIZE);
      m->iCaptionHeight = GetSystemMetrics(SM_CYCAPTION) - 1;
      DefaultFont(m->lfCaptionFont, true);
      m->iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
      m->iSmCaptionHeight = GetSystemMetrics(SM_CYSMCAPTION) - 1;
      DefaultFont(m->lfSmCaptionFont, true);
      m->iMenuWidth = GetSystemMetrics(SM_CXMENUSIZE);
      m->iMenuHeight = GetSystemMetrics(SM_CYMENUSIZE);
      DefaultFont(m->lfMenuFont, false);
      DefaultFont(m->lfStatusFont, false);
      DefaultFont(m->lfMessageFont, false);
      break;
    }
    case SPI_SETNONCLIENTMETRICS: {
      auto* m = static_cast<NONCLIENTMETRICS*>(pv);
      if (!m) return FALSE;
      SetSystemMetric(SM_CXVSCROLL, m->iScrollWidth);
      SetSystemMetric(SM_CYHSCROLL, m->iScrollHeight);
      changed = true;
      break;
    }
    default:
      return FALSE;
  }
  if (!ok) return FALSE;
  if (changed && (winIni & SPIF_SENDCHANGE)) BroadcastSystemChange(WM_SETTINGCHANGE, action, 0);
  return TRUE;
}

BOOL MessageBeep(UINT type) {
  if (TBackend* backend = Backend()) backend->Beep(type);
  return TRUE;
}

// ---- window-system events ------------------------------------------------------------------

void InputNativeClose(HWND wnd) {
  if (wm::Valid(wnd)) PostMessage(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void InputNativeMoved(HWND wnd, POINT p) {
  HWND w = wm::Valid(wnd);
  if (!w || (w->rect.Left == p.X && w->rect.Top == p.Y)) return;
  SetWindowPos(w, nullptr, p.X, p.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InputNativeResized(HWND wnd, SIZE size) {
  HWND w = wm::Valid(wnd);
  if (!w || (w->rect.Width() == size.cx && w->rect.Height() == size.cy)) return;
  SetWindowPos(w, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InputNativeExposed(HWND wnd) {
  HWND w = wm::Valid(wnd);
  if (!w || !w->surface) return;
  wm::MarkDirty(w, RECT{0, 0, w->rect.Width(), w->rect.Height()});
  wm::PresentWindow(w);
}

void InputDisplayChanged() {
  ApplyScreenMetrics();
  wm::RecomposeScreen();
  RECT r = wm::ScreenRect();
  BroadcastSystemChange(WM_DISPLAYCHANGE, 32, MAKELPARAM(WORD(r.Width()), WORD(r.Height())));
}
