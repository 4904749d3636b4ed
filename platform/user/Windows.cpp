// Window classes, creation and destruction, the window tree, positions and coordinates.
#include <algorithm>
#include <cstring>
#include <strings.h>
#include <unordered_set>

#include "user/WinInternal.h"

namespace {

struct TWindowState {
  std::unordered_set<HWND> live;
  std::vector<std::unique_ptr<TWindowClass>> classes;
  std::deque<HWND> graveyard;  // destroyed windows, kept a while so stale handles stay harmless
  HWND desktop = nullptr;
  HWND messageRoot = nullptr;
  int cascade = 0;
  // At the program's end the window objects go with the state (graphics objects are left
  // to the graphics layer, which may already be gone).
  ~TWindowState() {
    for (HWND w : graveyard) delete w;
    for (HWND w : live) delete w;
  }
};

TWindowState& St() {
  static TWindowState s;
  return s;
}

LRESULT UtilWindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (w->handler) {
    TWindowHandler h = w->handler;  // the handler may deallocate the window
    return h(w, msg, wp, lp);
  }
  return DefWindowProc(w, msg, wp, lp);
}

TWindowClass* FindClass(const char* name) {
  if (!name) return nullptr;
  for (auto& c : St().classes)
    if (strcasecmp(c->name.c_str(), name) == 0) return c.get();
  return nullptr;
}

void EnsureBuiltinClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASS wc;
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "#32769";
  RegisterClass(&wc);
  wc.lpfnWndProc = UtilWindowProc;
  wc.lpszClassName = "KorvanUtilWindow";
  RegisterClass(&wc);
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "Message";
  RegisterClass(&wc);
}

HWND MakeRoot(const char* cls, bool desktop) {
  EnsureBuiltinClasses();
  HWND w = new HWND__;
  w->cls = FindClass(cls);
  w->proc = DefWindowProc;
  w->style = WS_VISIBLE | WS_CLIPCHILDREN;
  w->isDesktop = desktop;
  w->messageOnly = !desktop;
  if (desktop) {
    RECT r = wm::ScreenRect();
    w->rect = r;
    w->client = {0, 0, r.Width(), r.Height()};
  }
  St().live.insert(w);
  return w;
}

// Index in a sibling list where a window of the given topmost state goes to be frontmost.
size_t FrontIndex(HWND parent, bool topmost) {
  if (topmost || !parent->isDesktop) return 0;
  size_t i = 0;
  while (i < parent->children.size() && (parent->children[i]->exStyle & WS_EX_TOPMOST)) ++i;
  return i;
}

void Unlink(HWND w) {
  if (!w->parent) return;
  auto& v = w->parent->children;
  v.erase(std::remove(v.begin(), v.end(), w), v.end());
}

// Places w in its parent's list after `after` (HWND_TOP, HWND_BOTTOM, HWND_TOPMOST,
// HWND_NOTOPMOST or a sibling).
void PlaceInZOrder(HWND w, HWND after) {
  HWND parent = w->parent;
  if (!parent) return;
  if (after == HWND_TOPMOST) w->exStyle |= WS_EX_TOPMOST;
  if (after == HWND_NOTOPMOST) w->exStyle &= ~WS_EX_TOPMOST;
  Unlink(w);
  auto& v = parent->children;
  bool topmost = parent->isDesktop && (w->exStyle & WS_EX_TOPMOST);
  size_t idx;
  if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
    idx = FrontIndex(parent, topmost);
  } else if (after == HWND_BOTTOM) {
    idx = v.size();
    if (topmost) idx = FrontIndex(parent, false);
  } else {
    auto it = std::find(v.begin(), v.end(), after);
    idx = it == v.end() ? FrontIndex(parent, topmost) : size_t(it - v.begin()) + 1;
    // Topmost windows stay in front of the others.
    if (parent->isDesktop) {
      size_t firstPlain = FrontIndex(parent, false);
      if (topmost && idx > firstPlain) idx = firstPlain;
      if (!topmost && idx < firstPlain) idx = firstPlain;
    }
  }
  v.insert(v.begin() + std::min(idx, v.size()), w);
  // Owned windows stay in front of their owner.
  if (parent->isDesktop && (after == HWND_TOP || after == HWND_TOPMOST)) {
    std::vector<HWND> owned;
    for (HWND c : v)
      if (c != w && c->owner == w) owned.push_back(c);
    for (HWND o : owned) PlaceInZOrder(o, HWND_TOP);
  }
}

void FreeWindow(HWND w) {
  auto& s = St();
  s.live.erase(w);
  w->magic = 0;
  if (w->update) DeleteObject(w->update), w->update = nullptr;
  if (w->windowRgn) DeleteObject(w->windowRgn), w->windowRgn = nullptr;
  w->surface.reset();
  w->systemMenu.reset();
  w->handler = nullptr;
  w->children.clear();
  s.graveyard.push_back(w);
  while (s.graveyard.size() > 4096) {
    delete s.graveyard.front();
    s.graveyard.pop_front();
  }
}

void DestroyTree(HWND w) {
  if (!wm::Valid(w)) return;
  w->destroying = true;
  wm::Send(w, WM_DESTROY, 0, 0);
  if (!wm::Valid(w)) return;
  std::vector<HWND> kids = w->children;
  for (HWND c : kids) DestroyTree(c);
  if (!wm::Valid(w)) return;
  wm::Send(w, WM_NCDESTROY, 0, 0);
  if (!wm::Valid(w)) return;
  wm::KillTimersOf(w);
  wm::RemoveMessagesFor(w);
  wm::CaretOnDestroy(w);
  if (w->hasNative && Backend()) Backend()->DestroyNativeWindow(w);
  w->hasNative = false;
  Unlink(w);
  FreeWindow(w);
}

RECT RectOf(int x, int y, int cx, int cy) { return {x, y, x + std::max(cx, 0), y + std::max(cy, 0)}; }

// The client rectangle for a window rectangle (parent coordinates), by WM_NCCALCSIZE.
RECT CalcClient(HWND w, const RECT& windowRect, WINDOWPOS* pos) {
  NCCALCSIZE_PARAMS p;
  p.rgrc[0] = windowRect;
  p.rgrc[1] = windowRect;
  p.rgrc[2] = windowRect;
  p.lppos = pos;
  wm::Send(w, WM_NCCALCSIZE, pos ? TRUE : FALSE, reinterpret_cast<LPARAM>(&p));
  RECT c = p.rgrc[0];
  c.Left = std::clamp(c.Left, windowRect.Left, windowRect.Right);
  c.Right = std::clamp(c.Right, c.Left, windowRect.Right);
  c.Top = std::clamp(c.Top, windowRect.Top, windowRect.Bottom);
  c.Bottom = std::clamp(c.Bottom, c.Top, windowRect.Bottom);
  return {c.Left - windowRect.Left, c.Top - windowRect.Top, c.Right - windowRect.Left,
          c.Bottom - windowRect.Top};
}

// Invalidates, in the parent, the area a child covered (old rectangle, parent coordinates).
void ExposeInParent(HWND w, const RECT& rectInParent) {
  HWND p = w->parent;
  if (!p || p->isDesktop || p->messageOnly || !wm::Valid(p)) return;
  RECT cr = wm::ClientRectInWindow(p);
  RECT r = rectInParent;
  OffsetRect(&r, cr.Left, cr.Top);
  HRGN rgn = wm::RectRgn(r);
  wm::InvalidateWindowRegion(p, rgn, true, false, true, true);
  DeleteObject(rgn);
}

}  // namespace

namespace wm {

HWND Valid(HWND wnd) {
  if (!wnd) return nullptr;
  auto& live = St().live;
  if (live.find(wnd) == live.end()) return nullptr;
  return wnd->magic == kWindowMagic ? wnd : nullptr;
}

HWND Desktop() {
  auto& s = St();
  if (!s.desktop) s.desktop = MakeRoot("#32769", true);
  return s.desktop;
}

HWND MessageRoot() {
  auto& s = St();
  if (!s.messageRoot) s.messageRoot = MakeRoot("Message", false);
  return s.messageRoot;
}

bool IsTopLevel(HWND w) { return w && w->parent && w->parent->isDesktop; }

HWND TopLevelOf(HWND w) {
  while (w && w->parent && !w->parent->isDesktop && !(w->parent == St().messageRoot)) w = w->parent;
  return w;
}

bool IsVisibleDeep(HWND w) {
  for (HWND p = w; p; p = p->parent) {
    if (p->isDesktop) return true;
    if (p->messageOnly && p == St().messageRoot) return false;
    if (!(p->style & WS_VISIBLE)) return false;
  }
  return false;
}

bool IsEnabledDeep(HWND w) {
  for (HWND p = w; p && !p->isDesktop; p = p->parent) {
    if (p->style & WS_DISABLED) return false;
    if (!(p->style & WS_CHILD)) break;
  }
  return true;
}

POINT OriginInTop(HWND w) {
  POINT o{0, 0};
  for (HWND p = w; p && p->parent && !p->parent->isDesktop && p->parent != St().messageRoot;
       p = p->parent) {
    o.X += p->rect.Left + p->parent->client.Left;
    o.Y += p->rect.Top + p->parent->client.Top;
  }
  return o;
}

POINT WindowOriginScreen(HWND w) {
  if (!w) return {0, 0};
  if (w->isDesktop) return {0, 0};
  HWND top = TopLevelOf(w);
  POINT o = OriginInTop(w);
  return {o.X + top->rect.Left, o.Y + top->rect.Top};
}

POINT ClientOriginScreen(HWND w) {
  POINT o = WindowOriginScreen(w);
  return {o.X + w->client.Left, o.Y + w->client.Top};
}

RECT ClientRectInWindow(HWND w) { return w->client; }

RECT FrameInsets(DWORD style, DWORD exStyle, bool) {
  int border = 0;
  if (style & WS_THICKFRAME)
    border = GetSystemMetrics(SM_CXFRAME);
  else if ((style & WS_CAPTION) == WS_CAPTION || (style & WS_DLGFRAME) ||
           (exStyle & WS_EX_DLGMODALFRAME))
    border = GetSystemMetrics(SM_CXDLGFRAME);
  else if (style & WS_BORDER)
    border = GetSystemMetrics(SM_CXBORDER);
  if (exStyle & WS_EX_CLIENTEDGE) border += GetSystemMetrics(SM_CXEDGE);
  if (exStyle & WS_EX_STATICEDGE) border += GetSystemMetrics(SM_CXBORDER);
  int caption = 0;
  if ((style & WS_CAPTION) == WS_CAPTION)
    caption = GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
  return {border, border + caption, border, border};
}

bool HasCaption(HWND w) { return (w->style & WS_CAPTION) == WS_CAPTION; }

}  // namespace wm

// ---- classes -------------------------------------------------------------------------------

ATOM RegisterClass(const WNDCLASS* wc) {
  if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) return 0;
  if (FindClass(wc->lpszClassName)) return 0;
  auto c = std::make_unique<TWindowClass>();
  c->name = wc->lpszClassName;
  c->wc = *wc;
  c->wc.lpszClassName = nullptr;
  St().classes.push_back(std::move(c));
  return ATOM(0xC000 + St().classes.size());
}

ATOM RegisterClassEx(const WNDCLASSEX* wc) { return RegisterClass(wc); }

BOOL UnregisterClass(const char* className, HINSTANCE) {
  TWindowClass* c = FindClass(className);
  if (!c) return FALSE;
  for (HWND w : St().live)
    if (w->cls == c) return FALSE;  // windows of the class still exist
  auto& v = St().classes;
  v.erase(std::remove_if(v.begin(), v.end(), [c](auto& p) { return p.get() == c; }), v.end());
  return TRUE;
}

BOOL GetClassInfo(HINSTANCE, const char* className, WNDCLASS* wc) {
  EnsureBuiltinClasses();
  TWindowClass* c = FindClass(className);
  if (!c || !wc) return FALSE;
  *wc = c->wc;
  wc->lpszClassName = c->name.c_str();
  return TRUE;
}

int GetClassName(HWND wnd, char* buffer, int size) {
  HWND w = wm::Valid(wnd);
  if (!w || !buffer || size <= 0 || !w->cls) return 0;
  int n = std::min<int>(size - 1, int(w->cls->name.size()));
  memcpy(buffer, w->cls->name.data(), size_t(n));
  buffer[n] = 0;
  return n;
}

ULONG_PTR GetClassLongPtr(HWND wnd, int index) {
  HWND w = wm::Valid(wnd);
  if (!w || !w->cls) return 0;
  const WNDCLASS& c = w->cls->wc;
  switch (index) {
    case GCLP_HCURSOR: return ULONG_PTR(c.hCursor);
    case GCLP_HBRBACKGROUND: return ULONG_PTR(c.hbrBackground);
    case GCLP_HICON: return ULONG_PTR(c.hIcon);
    case GCLP_WNDPROC: return ULONG_PTR(c.lpfnWndProc);
    case GCL_STYLE: return c.style;
    case GCL_CBWNDEXTRA: return ULONG_PTR(c.cbWndExtra);
  }
  return 0;
}

ULONG_PTR SetClassLongPtr(HWND wnd, int index, LONG_PTR value) {
  HWND w = wm::Valid(wnd);
  if (!w || !w->cls) return 0;
  WNDCLASS& c = w->cls->wc;
  ULONG_PTR old = GetClassLongPtr(wnd, index);
  switch (index) {
    case GCLP_HCURSOR: c.hCursor = reinterpret_cast<HCURSOR>(value); break;
    case GCLP_HBRBACKGROUND: c.hbrBackground = reinterpret_cast<HBRUSH>(value); break;
    case GCLP_HICON: c.hIcon = reinterpret_cast<HICON>(value); break;
    case GCLP_WNDPROC: c.lpfnWndProc = reinterpret_cast<WNDPROC>(value); break;
    case GCL_STYLE: c.style = UINT(value); break;
    default: return 0;
  }
  return old;
}

// ---- creation and destruction --------------------------------------------------------------

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                    HINSTANCE instance, void* param) {
  EnsureBuiltinClasses();
  TWindowClass* cls = FindClass(className);
  if (!cls) return nullptr;
  HWND parentWnd = nullptr;
  HWND owner = nullptr;
  bool messageOnly = false;
  if (parent == HWND_MESSAGE) {
    parentWnd = wm::MessageRoot();
    messageOnly = true;
  } else if (parent) {
    HWND p = wm::Valid(parent);
    if (!p) return nullptr;
    if (style & WS_CHILD) {
      parentWnd = p;
    } else {
      parentWnd = wm::Desktop();
      owner = p->messageOnly ? nullptr : wm::TopLevelOf(p);
      if (owner && owner->isDesktop) owner = nullptr;
    }
  } else {
    parentWnd = wm::Desktop();
  }
  if (x == CW_USEDEFAULT) {
    int n = St().cascade++ % 8;
    x = 40 + 24 * n;
    y = 40 + 24 * n;
  }
  if (width == CW_USEDEFAULT) {
    width = 640;
    height = 480;
  }
  HWND w = new HWND__;
  w->cls = cls;
  w->proc = cls->wc.lpfnWndProc;
  w->text = windowName ? windowName : "";
  w->style = style & ~WS_VISIBLE;
  w->exStyle = exStyle;
  w->parent = parentWnd;
  w->owner = owner;
  w->messageOnly = messageOnly;
  w->instance = instance;
  w->id = (style & WS_CHILD) ? LONG_PTR(reinterpret_cast<intptr_t>(menuOrId)) : 0;
  w->extra.assign(size_t(std::max(cls->wc.cbWndExtra, 0)), 0);
  w->rect = RectOf(x, y, width, height);
  w->client = {0, 0, w->rect.Width(), w->rect.Height()};
  St().live.insert(w);
  PlaceInZOrder(w, (exStyle & WS_EX_TOPMOST) ? HWND_TOPMOST : HWND_TOP);

  CREATESTRUCT cs;
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menuOrId;
  cs.hwndParent = parent == HWND_MESSAGE ? nullptr : parent;
  cs.x = x;
  cs.y = y;
  cs.cx = width;
  cs.cy = height;
  cs.style = LONG(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;
  if (!wm::Send(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if (wm::Valid(w)) DestroyTree(w);
    return nullptr;
  }
  if (!wm::Valid(w)) return nullptr;
  w->client = CalcClient(w, w->rect, nullptr);
  if (wm::Send(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    if (wm::Valid(w)) DestroyWindow(w);
    return nullptr;
  }
  if (!wm::Valid(w)) return nullptr;
  if ((style & WS_CHILD) && !(exStyle & WS_EX_NOPARENTNOTIFY) && wm::Valid(parentWnd))
    wm::Send(parentWnd, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, WORD(w->id)),
             reinterpret_cast<LPARAM>(w));
  if (!wm::Valid(w)) return nullptr;
  wm::Send(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(WORD(w->client.Width()), WORD(w->client.Height())));
  if (!wm::Valid(w)) return nullptr;
  wm::Send(w, WM_MOVE, 0, MAKELPARAM(WORD(w->rect.Left + w->client.Left), WORD(w->rect.Top + w->client.Top)));
  if (!wm::Valid(w)) return nullptr;
  if (style & WS_VISIBLE) ShowWindow(w, SW_SHOW);
  return wm::Valid(w);
}

HWND CreateWindow(const char* className, const char* windowName, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                  void* param) {
  return CreateWindowEx(0, className, windowName, style, x, y, width, height, parent, menuOrId,
                        instance, param);
}

BOOL DestroyWindow(HWND wnd) {
  HWND w = wm::Valid(wnd);
  if (!w || w->isDesktop || w == St().messageRoot) return FALSE;
  if (w->destroying) return TRUE;
  w->destroying = true;
  // Owned windows go first.
  if (wm::IsTopLevel(w)) {
    std::vector<HWND> owned;
    for (HWND c : wm::Desktop()->children)
      if (c->owner == w) owned.push_back(c);
    for (HWND o : owned)
      if (wm::Valid(o)) DestroyWindow(o);
    for (HWND c : wm::Desktop()->children)
      if (c->owner == w) c->owner = nullptr;
  }
  if (!wm::Valid(w)) return TRUE;
  if (w->style & WS_VISIBLE)
    SetWindowPos(w, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (!wm::Valid(w)) return TRUE;
  wm::OnWindowDestroyed(w);
  if (!wm::Valid(w)) return TRUE;
  if ((w->style & WS_CHILD) && !(w->exStyle & WS_EX_NOPARENTNOTIFY) && wm::Valid(w->parent))
    wm::Send(w->parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, WORD(w->id)),
             reinterpret_cast<LPARAM>(w));
  DestroyTree(w);
  return TRUE;
}

BOOL IsWindow(HWND wnd) { return wm::Valid(wnd) != nullptr; }

BOOL IsWindowVisible(HWND wnd) {
  HWND w = wm::Valid(wnd);
  return w && wm::IsVisibleDeep(w);
}

BOOL IsWindowEnabled(HWND wnd) {
  HWND w = wm::Valid(wnd);
  return w && !(w->style & WS_DISABLED);
}

BOOL EnableWindow(HWND wnd, BOOL enable) {
  HWND w = wm::Valid(wnd);
  if (!w) return FALSE;
  BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
  if (bool(enable) == !wasDisabled) return wasDisabled;
  if (!enable) {
    // A window being disabled is told to cancel what it is doing (a capture, a drag).
    wm::Send(w, WM_CANCELMODE, 0, 0);
    if (!wm::Valid(w)) return FALSE;
    w->style |= WS_DISABLED;
    // A disabled window loses the keyboard focus and the mouse capture.
    HWND f = GetFocus();
    if (f && (f == w || IsChild(w, f))) SetFocus(nullptr);
    HWND c = GetCapture();
    if (c && (c == w || IsChild(w, c))) ReleaseCapture();
  } else {
    w->style &= ~WS_DISABLED;
  }
  if (wm::Valid(w)) wm::Send(w, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL IsIconic(HWND wnd) {
  HWND w = wm::Valid(wnd);
  return w && w->minimized;
}

BOOL IsZoomed(HWND wnd) {
  HWND w = wm::Valid(wnd);
  return w && w->maximized;
}

BOOL IsChild(HWND parent, HWND wnd) {
  HWND p = wm::Valid(parent);
  HWND w = wm::Valid(wnd);
  if (!p || !w) return FALSE;
  while (w && (w->style & WS_CHILD) && w->parent) {
    w = w->parent;
    if (w == p) return TRUE;
  }
  return FALSE;
}

HWND GetParent(HWND wnd) {
  HWND w = wm::Valid(wnd);
  if (!w) return nullptr;
  if (w->style & WS_CHILD) return (w->parent && !w->parent->isDesktop && !w->messageOnly) ? w->parent : nullptr;
  return w->owner;
}

HWND SetParent(HWND wnd, HWND newParent) {
  HWND w = wm::Valid(wnd);
  if (!w || w->isDesktop) return nullptr;
  HWND np = newParent ? wm::Valid(newParent) : wm::Desktop();
  if (!np) return nullptr;
  if (np == w || IsChild(w, np)) return nullptr;
  HWND old = w->parent;
  bool wasVisible = (w->style & WS_VISIBLE) != 0;
  if (wasVisible) ShowWindow(w, SW_HIDE);
  if (!wm::Valid(w)) return nullptr;
  RECT oldRect = w->rect;
  POINT screen = wm::WindowOriginScreen(w);
  Unlink(w);
  if (w->hasNative && !np->isDesktop && Backend()) {
    Backend()->DestroyNativeWindow(w);
    w->hasNative = false;
    w->surface.reset();
  }
  w->parent = np;
  w->messageOnly = false;
  PlaceInZOrder(w, HWND_TOP);
  // Into the desktop the window keeps its place on the screen; into another window it keeps
  // its coordinates, now relative to the new parent.
  if (np->isDesktop)
    w->rect = {screen.X, screen.Y, screen.X + oldRect.Width(), screen.Y + oldRect.Height()};
  else
    w->rect = oldRect;
  if (wasVisible) ShowWindow(w, SW_SHOWNA);
  return (old && !old->isDesktop) ? old : wm::Desktop();
}

HWND GetAncestor(HWND wnd, UINT flags) {
  HWND w = wm::Valid(wnd);
  if (!w || w->isDesktop) return nullptr;
  switch (flags) {
    case GA_PARENT: return w->parent;
    case GA_ROOT: return wm::TopLevelOf(w);
    case GA_ROOTOWNER: {
      HWND r = wm::TopLevelOf(w);
      while (r && r->owner) r = r->owner;
      return r;
    }
  }
  return nullptr;
}

HWND GetWindow(HWND wnd, UINT cmd) {
  HWND w = wm::Valid(wnd);
  if (!w) return nullptr;
  if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (cmd == GW_OWNER) return w->owner;
  if (cmd == GW_ENABLEDPOPUP) {
    for (HWND c : wm::Desktop()->children)
      if (c->owner == w && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED)) return c;
    return nullptr;
  }
  if (!w->parent) return nullptr;
  auto& v = w->parent->children;
  auto it = std::find(v.begin(), v.end(), w);
  if (it == v.end()) return nullptr;
  switch (cmd) {
    case GW_HWNDFIRST: return v.front();
    case GW_HWNDLAST: return v.back();
    case GW_HWNDNEXT: return (it + 1) == v.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV: return it == v.begin() ? nullptr : *(it - 1);
  }
  return nullptr;
}

HWND GetTopWindow(HWND wnd) {
  HWND w = wnd ? wm::Valid(wnd) : wm::Desktop();
  if (!w || w->children.empty()) return nullptr;
  return w->children.front();
}

HWND GetNextWindow(HWND wnd, UINT cmd) { return GetWindow(wnd, cmd); }

HWND GetDesktopWindow() { return wm::Desktop(); }

BOOL EnumWindows(WNDENUMPROC proc, LPARAM param) {
  std::vector<HWND> v = wm::Desktop()->children;
  for (HWND w : v)
    if (wm::Valid(w) && !proc(w, param)) return FALSE;
  return TRUE;
}

namespace {
bool EnumChildrenDeep(HWND w, WNDENUMPROC proc, LPARAM param) {
  std::vector<HWND> v = w->children;
  for (HWND c : v) {
    if (!wm::Valid(c)) continue;
    if (!proc(c, param)) return false;
    if (wm::Valid(c) && !EnumChildrenDeep(c, proc, param)) return false;
  }
  return true;
}
}  // namespace

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param) {
  HWND p = parent ? wm::Valid(parent) : wm::Desktop();
  if (!p || !proc) return FALSE;
  return EnumChildrenDeep(p, proc, param) ? TRUE : FALSE;
}

HWND GetDlgItem(HWND dlg, int id) {
  HWND d = wm::Valid(dlg);
  if (!d) return nullptr;
  for (HWND c : d->children)
    if (c->id == id) return c;
  return nullptr;
}

int GetDlgCtrlID(HWND wnd) {
  HWND w = wm::Valid(wnd);
  return w ? int(w->id) : 0;
}

// ---- window data ---------------------------------------------------------------------------

LONG_PTR GetWindowLongPtr(HWND wnd, int index) {
  HWND w = wm::Valid(wnd);
  if (!w) return 0;
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>((w->style & WS_CHILD) ? w->parent : w->owner);
    case GWLP_ID: return w->id;
    case GWL_STYLE: return LONG_PTR(LONG(w->style));
    case GWL_EXSTYLE: return LONG_PTR(LONG(w->exStyle));
    case GWLP_USERDATA: return w->userData;
  }
  if (index >= 0 && size_t(index) + sizeof(LONG_PTR) <= w->extra.size()) {
    LONG_PTR v;
    memcpy(&v, w->extra.data() + index, sizeof v);
    return v;
  }
  return 0;
}

LONG_PTR SetWindowLongPtr(HWND wnd, int index, LONG_PTR value) {
  HWND w = wm::Valid(wnd);
  if (!w) return 0;
  LONG_PTR old = GetWindowLongPtr(wnd, index);
  switch (index) {
    case GWLP_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); return old;
    case GWLP_HINSTANCE: w->instance = reinterpret_cast<HINSTANCE>(value); return old;
    case GWLP_ID: w->id = value; return old;
    case GWLP_USERDATA: w->userData = value; return old;
    case GWLP_HWNDPARENT:
      if (!(w->style & WS_CHILD)) w->owner = wm::Valid(reinterpret_cast<HWND>(value));
      return old;
    case GWL_STYLE:
    case GWL_EXSTYLE: {
      struct STYLESTRUCT {
        DWORD styleOld, styleNew;
      } ss{DWORD(old), DWORD(value)};
      WPARAM which = WPARAM(index == GWL_STYLE ? -16 : -20);
      wm::Send(w, WM_STYLECHANGING, which, reinterpret_cast<LPARAM>(&ss));
      if (!wm::Valid(w)) return old;
      if (index == GWL_STYLE) {
        // The visibility bit changes without messages, as on the platform.
        w->style = ss.styleNew;
      } else {
        w->exStyle = ss.styleNew;
      }
      wm::Send(w, WM_STYLECHANGED, which, reinterpret_cast<LPARAM>(&ss));
      return old;
    }
  }
  if (index >= 0 && size_t(index) + sizeof(LONG_PTR) <= w->extra.size()) {
    memcpy(w->extra.data() + index, &value, sizeof value);
    return old;
  }
  return 0;
}

LONG GetWindowLong(HWND wnd, int index) { return LONG(GetWindowLongPtr(wnd, index)); }
LONG SetWindowLong(HWND wnd, int index, LONG value) {
  if (index == GWL_STYLE || index == GWL_EXSTYLE)
    return LONG(SetWindowLongPtr(wnd, index, LONG_PTR(DWORD(value))));
  return LONG(SetWindowLongPtr(wnd, index, value));
}

BOOL SetProp(HWND wnd, const char* name, HANDLE data) {
  HWND w = wm::Valid(wnd);
  if (!w || !name) return FALSE;
  for (auto& p : w->props)
    if (strcasecmp(p.first.c_str(), name) == 0) {
      p.second = data;
      return TRUE;
    }
  w->props.emplace_back(name, data);
  return TRUE;
}

HANDLE GetProp(HWND wnd, const char* name) {
  HWND w = wm::Valid(wnd);
  if (!w || !name) return nullptr;
  for (auto& p : w->props)
    if (strcasecmp(p.first.c_str(), name) == 0) return p.second;
  return nullptr;
}

HANDLE RemoveProp(HWND wnd, const char* name) {
  HWND w = wm::Valid(wnd);
  if (!w || !name) return nullptr;
  for (auto it = w->props.begin(); it != w->props.end(); ++it)
    if (strcasecmp(it->first.c_str(), name) == 0) {
      HANDLE h = it->second;
      w->props.erase(it);
      return h;
    }
  return nullptr;
}

int GetWindowText(HWND wnd, char* buffer, int size) {
  if (!wm::Valid(wnd) || !buffer || size <= 0) return 0;
  return int(wm::Send(wnd, WM_GETTEXT, WPARAM(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND wnd) {
  if (!wm::Valid(wnd)) return 0;
  return int(wm::Send(wnd, WM_GETTEXTLENGTH, 0, 0));
}

String GetWindowTextString(HWND wnd) {
  int n = GetWindowTextLength(wnd);
  if (n <= 0) return String();
  String s(size_t(n) + 1, '\0');
  int got = GetWindowText(wnd, s.data(), n + 1);
  s.resize(size_t(std::max(got, 0)));
  return s;
}

BOOL SetWindowText(HWND wnd, const char* text) {
  if (!wm::Valid(wnd)) return FALSE;
  return wm::Send(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

// ---- position, size, visibility ------------------------------------------------------------

BOOL SetWindowPos(HWND wnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  HWND w = wm::Valid(wnd);
  if (!w || w->isDesktop) return FALSE;
  WINDOWPOS wp;
  wp.hwnd = w;
  wp.hwndInsertAfter = insertAfter;
  wp.x = (flags & SWP_NOMOVE) ? w->rect.Left : x;
  wp.y = (flags & SWP_NOMOVE) ? w->rect.Top : y;
  wp.cx = (flags & SWP_NOSIZE) ? w->rect.Width() : cx;
  wp.cy = (flags & SWP_NOSIZE) ? w->rect.Height() : cy;
  wp.flags = flags;
  bool wasVisible = (w->style & WS_VISIBLE) != 0;
  if ((flags & SWP_SHOWWINDOW) && wasVisible) wp.flags &= ~SWP_SHOWWINDOW;
  if ((flags & SWP_HIDEWINDOW) && !wasVisible) wp.flags &= ~SWP_HIDEWINDOW;
  if (!(flags & SWP_NOSENDCHANGING)) {
    wm::Send(w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (!wm::Valid(w)) return FALSE;
  }
  flags = wp.flags;
  RECT oldRect = w->rect;
  RECT newRect = RectOf(wp.x, wp.y, wp.cx, wp.cy);
  bool moved = newRect.Left != oldRect.Left || newRect.Top != oldRect.Top;
  bool sized = newRect.Width() != oldRect.Width() || newRect.Height() != oldRect.Height();
  bool frame = (flags & SWP_FRAMECHANGED) != 0;
  bool show = (flags & SWP_SHOWWINDOW) != 0;
  bool hide = (flags & SWP_HIDEWINDOW) != 0;
  bool top = wm::IsTopLevel(w);

  if (sized || frame || moved) {
    RECT newClient = w->client;
    if (sized || frame) {
      newClient = CalcClient(w, newRect, &wp);
      if (!wm::Valid(w)) return FALSE;
    }
    if (wasVisible && !(flags & SWP_NOREDRAW) && !top) ExposeInParent(w, oldRect);
    w->rect = newRect;
    w->client = newClient;
  }
  if (!(flags & SWP_NOZORDER) && w->parent) {
    HWND after = wp.hwndInsertAfter;
    if (after != HWND_TOP && after != HWND_BOTTOM && after != HWND_TOPMOST &&
        after != HWND_NOTOPMOST && !wm::Valid(after))
      after = HWND_TOP;
    PlaceInZOrder(w, after);
    if (top && w->hasNative && Backend() && (after == HWND_TOP || after == HWND_TOPMOST))
      Backend()->RaiseNativeWindow(w);
  }
  if (show) w->style |= WS_VISIBLE;
  if (hide) {
    if (!top && !(flags & SWP_NOREDRAW)) ExposeInParent(w, w->rect);
    w->style &= ~WS_VISIBLE;
  }
  bool firstShow = show && !w->everShown;
  if (show) w->everShown = true;

  if (top && !w->messageOnly) {
    if ((sized || frame) && w->surface) {
      auto fresh = std::make_unique<TSurface>(w->rect.Width(), w->rect.Height());
      int cw = std::min(fresh->Width(), w->surface->Width());
      int ch = std::min(fresh->Height(), w->surface->Height());
      for (int yy = 0; yy < ch; ++yy)
        memcpy(fresh->Row(yy), w->surface->Row(yy), size_t(cw) * 4);
      w->surface = std::move(fresh);
    }
    if (Backend()) {
      if (show && !w->hasNative) {
        TNativeWindowParams np;
        np.bounds = w->rect;
        np.title = w->text;
        np.framed = wm::HasCaption(w) || (w->style & WS_THICKFRAME);
        np.activates = wm::CanActivate(w);
        np.topmost = (w->exStyle & WS_EX_TOPMOST) != 0;
        Backend()->CreateNativeWindow(w, np);
        w->hasNative = true;
      } else if (w->hasNative && (moved || sized)) {
        Backend()->SetNativeBounds(w, w->rect);
      }
    }
  }
  bool visibleNow = (w->style & WS_VISIBLE) != 0;
  if (visibleNow && !(flags & SWP_NOREDRAW) && (show || sized || frame || (moved && !top))) {
    wm::EnsureSurface(wm::TopLevelOf(w));
    RECT all{0, 0, w->rect.Width(), w->rect.Height()};
    HRGN rgn = wm::RectRgn(all);
    wm::InvalidateWindowRegion(w, rgn, true, true, true);
    DeleteObject(rgn);
  }
  if (show && top && w->hasNative && Backend())
    Backend()->ShowNativeWindow(w, true, !(flags & SWP_NOACTIVATE) && wm::CanActivate(w));
  if (hide && top && w->hasNative && Backend()) Backend()->ShowNativeWindow(w, false, false);

  if (show && top && !(flags & SWP_NOACTIVATE) && wm::CanActivate(w)) {
    wm::ActivateWindow(w, WA_ACTIVE);
    if (!wm::Valid(w)) return FALSE;
  }
  if (show && !(flags & SWP_DEFERERASE)) {
    wm::PaintNcAndErase(w, true);
    if (!wm::Valid(w)) return FALSE;
  }
  if (hide) {
    wm::OnWindowHidden(w);
    if (!wm::Valid(w)) return FALSE;
  }
  if (top && (show || hide || moved)) wm::RecomposeScreen();
  if ((show || hide || moved || sized) && (visibleNow || hide)) wm::MarkMouseStale();
  wp.x = w->rect.Left;
  wp.y = w->rect.Top;
  wp.cx = w->rect.Width();
  wp.cy = w->rect.Height();
  wp.flags = flags;
  if (!moved && !firstShow) wp.flags |= SWP_NOMOVE;
  if (!sized && !firstShow) wp.flags |= SWP_NOSIZE;
  if (firstShow) wp.flags &= ~(SWP_NOMOVE | SWP_NOSIZE);
  wm::Send(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  return TRUE;
}

BOOL ShowWindow(HWND wnd, int cmd) {
  HWND w = wm::Valid(wnd);
  if (!w || w->isDesktop) return FALSE;
  bool wasVisible = (w->style & WS_VISIBLE) != 0;
  bool top = wm::IsTopLevel(w);
  if (cmd == SW_HIDE) {
    if (!wasVisible) return FALSE;
    wm::Send(w, WM_SHOWWINDOW, FALSE, 0);
    if (!wm::Valid(w)) return TRUE;
    SetWindowPos(w, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
  }
  bool activate = top && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE &&
                  cmd != SW_SHOWMINNOACTIVE && cmd != SW_MINIMIZE;
  if (cmd == SW_MAXIMIZE && top && !w->maximized) {
    w->maximized = true;
    RECT wa = wm::WorkArea();
    SetWindowPos(w, nullptr, wa.Left, wa.Top, wa.Width(), wa.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    if (!wm::Valid(w)) return FALSE;
  } else if (cmd == SW_RESTORE || cmd == SW_SHOWNORMAL) {
    w->maximized = false;
    w->minimized = false;
  } else if (cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE) {
    w->minimized = true;
  }
  if (wasVisible) {
    if (activate && wm::CanActivate(w)) SetActiveWindow(w);
    return TRUE;
  }
  wm::Send(w, WM_SHOWWINDOW, TRUE, 0);
  if (!wm::Valid(w)) return FALSE;
  UINT flags = SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE;
  if (!activate) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
  if (!top) flags |= SWP_NOZORDER;
  SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, flags);
  return FALSE;
}

BOOL MoveWindow(HWND wnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(wnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND wnd) {
  return SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL GetWindowRect(HWND wnd, RECT* r) {
  HWND w = wnd ? wm::Valid(wnd) : nullptr;
  if (!w || !r) return FALSE;
  if (w->isDesktop) {
    *r = wm::ScreenRect();
    return TRUE;
  }
  POINT o = wm::WindowOriginScreen(w);
  *r = {o.X, o.Y, o.X + w->rect.Width(), o.Y + w->rect.Height()};
  return TRUE;
}

BOOL GetClientRect(HWND wnd, RECT* r) {
  HWND w = wm::Valid(wnd);
  if (!w || !r) return FALSE;
  if (w->isDesktop) {
    RECT s = wm::ScreenRect();
    *r = {0, 0, s.Width(), s.Height()};
    return TRUE;
  }
  *r = {0, 0, w->client.Width(), w->client.Height()};
  return TRUE;
}

BOOL AdjustWindowRectEx(RECT* r, DWORD style, BOOL, DWORD exStyle) {
  if (!r) return FALSE;
  RECT in = wm::FrameInsets(style, exStyle, false);
  r->Left -= in.Left;
  r->Top -= in.Top;
  r->Right += in.Right;
  r->Bottom += in.Bottom;
  return TRUE;
}

BOOL ClientToScreen(HWND wnd, POINT* p) {
  HWND w = wm::Valid(wnd);
  if (!w || !p) return FALSE;
  POINT o = wm::ClientOriginScreen(w);
  p->X += o.X;
  p->Y += o.Y;
  return TRUE;
}

BOOL ScreenToClient(HWND wnd, POINT* p) {
  HWND w = wm::Valid(wnd);
  if (!w || !p) return FALSE;
  POINT o = wm::ClientOriginScreen(w);
  p->X -= o.X;
  p->Y -= o.Y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  POINT a{0, 0}, b{0, 0};
  if (from) {
    HWND f = wm::Valid(from);
    if (!f) return 0;
    a = wm::ClientOriginScreen(f);
  }
  if (to) {
    HWND t = wm::Valid(to);
    if (!t) return 0;
    b = wm::ClientOriginScreen(t);
  }
  int dx = a.X - b.X, dy = a.Y - b.Y;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].X += dx;
    points[i].Y += dy;
  }
  return int(MAKELONG(WORD(dx), WORD(dy)));
}

namespace {
bool ContainsScreenPoint(HWND w, POINT screen) {
  RECT r;
  GetWindowRect(w, &r);
  if (!r.Contains(screen)) return false;
  if (w->windowRgn) return PtInRegion(w->windowRgn, screen.X - r.Left, screen.Y - r.Top) != 0;
  return true;
}

HWND HitDeep(HWND w, POINT screen, LRESULT* hit) {
  POINT co = wm::ClientOriginScreen(w);
  RECT client{co.X, co.Y, co.X + w->client.Width(), co.Y + w->client.Height()};
  if (client.Contains(screen)) {
    std::vector<HWND> kids = w->children;
    for (HWND c : kids) {
      if (!wm::Valid(c) || !(c->style & WS_VISIBLE) || !ContainsScreenPoint(c, screen)) continue;
      if (c->style & WS_DISABLED) break;  // a disabled child leaves the point to its parent
      HWND r = HitDeep(c, screen, hit);
      if (r) return r;
    }
  }
  if (!wm::Valid(w)) return nullptr;
  LRESULT h = wm::Send(w, WM_NCHITTEST, 0, MAKELPARAM(WORD(screen.X), WORD(screen.Y)));
  if (h == HTTRANSPARENT) return nullptr;
  if (hit) *hit = h;
  return wm::Valid(w);
}
}  // namespace

namespace wm {
HWND HitTestScreen(POINT screen, LRESULT* hit) {
  if (hit) *hit = HTNOWHERE;
  std::vector<HWND> tops = Desktop()->children;
  for (HWND t : tops) {
    if (!Valid(t) || !(t->style & WS_VISIBLE) || !ContainsScreenPoint(t, screen)) continue;
    HWND r = HitDeep(t, screen, hit);
    if (r) return r;
  }
  return nullptr;
}
}  // namespace wm

HWND WindowFromPoint(POINT screen) { return wm::HitTestScreen(screen, nullptr); }

HWND ChildWindowFromPointEx(HWND parent, POINT client, UINT flags) {
  HWND p = wm::Valid(parent);
  if (!p) return nullptr;
  RECT cr{0, 0, p->client.Width(), p->client.Height()};
  if (!cr.Contains(client)) return nullptr;
  for (HWND c : p->children) {
    if ((flags & CWP_SKIPINVISIBLE) && !(c->style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (c->style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (c->exStyle & WS_EX_TRANSPARENT)) continue;
    if (c->rect.Contains(client)) return c;
  }
  return p;
}

HWND ChildWindowFromPoint(HWND parent, POINT client) {
  return ChildWindowFromPointEx(parent, client, CWP_ALL);
}

int SetWindowRgn(HWND wnd, HRGN rgn, BOOL redraw) {
  HWND w = wm::Valid(wnd);
  if (!w) return 0;
  if (w->windowRgn) DeleteObject(w->windowRgn);
  w->windowRgn = rgn;
  if (redraw && (w->style & WS_VISIBLE)) {
    if (!wm::IsTopLevel(w)) ExposeInParent(w, w->rect);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
  return 1;
}

int GetWindowRgn(HWND wnd, HRGN rgn) {
  HWND w = wm::Valid(wnd);
  if (!w || !w->windowRgn || !rgn) return ERROR;
  return CombineRgn(rgn, w->windowRgn, nullptr, RGN_COPY);
}

HWND AllocateHWnd(TWindowHandler handler) {
  HWND w = CreateWindowEx(WS_EX_TOOLWINDOW, "KorvanUtilWindow", "", WS_POPUP, 0, 0, 0, 0,
                          nullptr, nullptr, nullptr, nullptr);
  if (w) w->handler = std::move(handler);
  return w;
}

void DeallocateHWnd(HWND wnd) {
  HWND w = wm::Valid(wnd);
  if (!w) return;
  w->handler = nullptr;
  DestroyWindow(w);
}
