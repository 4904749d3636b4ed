// The message queue: sending, posting, retrieving and dispatching messages, and the default
// window procedure.
#include <algorithm>
#include <cstring>
#include <map>

#include "rtl/Clock.h"
#include "rtl/System.h"
#include "user/WinInternal.h"

namespace {

struct TInputEntry {
  MSG msg;
  int vk = -1;  // key or mouse button whose state this message changes
  bool down = false;
  String text;  // characters that belong to a key-down message
};

struct TQueue {
  std::deque<MSG> posted;
  std::deque<TInputEntry> input;
  bool quitPending = false;
  int quitCode = 0;
  int sendDepth = 0;
  DWORD lastTime = 0;
  POINT lastPos;
  // The key-down message last retrieved and its text, for TranslateMessage.
  MSG lastKey;
  String lastKeyText;
  bool synthesizeChars = true;
  std::map<String, UINT> registered;
};

TQueue& Q() {
  static TQueue q;
  return q;
}

bool IsMouseMsg(UINT m) {
  return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK);
}
bool IsKeyMsg(UINT m) { return m >= WM_KEYFIRST && m <= WM_KEYLAST; }

bool Matches(const MSG& m, HWND filter, UINT min, UINT max) {
  if ((min || max) && (m.message < min || m.message > max)) return false;
  if (filter == reinterpret_cast<HWND>(intptr_t(-1))) return m.hwnd == nullptr;
  if (filter) return m.hwnd == filter;
  return true;
}

// Code points of a UTF-8 string; invalid or cut sequences become U+FFFD, one per byte.
std::vector<uint32_t> CodePoints(const String& s) {
  std::vector<uint32_t> out;
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    bool ok = n >= 0 && i + size_t(n) < s.size();
    uint32_t cp = ok ? (n == 0 ? c : uint32_t(c & (0x3F >> n))) : 0;
    for (int k = 1; ok && k <= n; ++k) {
      unsigned char d = static_cast<unsigned char>(s[i + size_t(k)]);
      ok = (d & 0xC0) == 0x80;
      cp = (cp << 6) | (d & 0x3F);
    }
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += size_t(n) + 1;
  }
  return out;
}

bool TakeInput(MSG* out, HWND filter, UINT min, UINT max, bool remove) {
  auto& q = Q();
  for (size_t i = 0; i < q.input.size();) {
    TInputEntry& e = q.input[i];
    if (!Matches(e.msg, filter, min, max)) {
      ++i;
      continue;
    }
    MSG m = e.msg;
    if (IsMouseMsg(m.message) && wm::HasHooks(WH_MOUSE)) {
      MOUSEHOOKSTRUCT mh;
      mh.pt = m.pt;
      mh.hwnd = m.hwnd;
      mh.wHitTestCode = UINT(m.message >= WM_MOUSEFIRST ? HTCLIENT : m.wParam);
      LRESULT r = wm::CallHooks(WH_MOUSE, remove ? HC_ACTION : HC_NOREMOVE, m.message,
                                reinterpret_cast<LPARAM>(&mh));
      if (r && remove) {
        // The hook discards the message; its button state still counts.
        TInputEntry gone = q.input[i];
        q.input.erase(q.input.begin() + long(i));
        if (gone.vk >= 0) wm::ApplySyncKey(gone.vk, gone.down);
        continue;
      }
    }
    if (IsKeyMsg(m.message) && wm::HasHooks(WH_KEYBOARD)) {
      LRESULT r = wm::CallHooks(WH_KEYBOARD, remove ? HC_ACTION : HC_NOREMOVE, m.wParam, m.lParam);
      if (r && remove) {
        TInputEntry gone = q.input[i];
        q.input.erase(q.input.begin() + long(i));
        if (gone.vk >= 0) wm::ApplySyncKey(gone.vk, gone.down);
        continue;
      }
    }
    *out = m;
    if (remove) {
      TInputEntry e2 = q.input[i];
      q.input.erase(q.input.begin() + long(i));
      if (e2.vk >= 0) wm::ApplySyncKey(e2.vk, e2.down);
      if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) {
        q.lastKey = m;
        q.lastKeyText = e2.text;
      }
    }
    return true;
  }
  return false;
}

bool PeekInternal(MSG* msg, HWND filter, UINT min, UINT max, UINT flags) {
  auto& q = Q();
  bool remove = (flags & PM_REMOVE) != 0;
  if (Backend()) Backend()->PollEvents();
  wm::RefreshStaleMouse();
  wm::CaretBlinkTick(Clock().TickCount());
  MSG m;
  bool found = false;
  for (size_t i = 0; i < q.posted.size(); ++i) {
    if (Matches(q.posted[i], filter, min, max)) {
      m = q.posted[i];
      if (remove) q.posted.erase(q.posted.begin() + long(i));
      found = true;
      break;
    }
  }
  if (!found && q.quitPending) {
    m = MSG{};
    m.message = WM_QUIT;
    m.wParam = WPARAM(q.quitCode);
    m.time = DWORD(Clock().TickCount());
    if (remove) q.quitPending = false;
    found = true;
  }
  if (!found) found = TakeInput(&m, filter, min, max, remove);
  if (!found && (!(min || max) || (WM_PAINT >= min && WM_PAINT <= max)) &&
      filter != reinterpret_cast<HWND>(intptr_t(-1))) {
    HWND w = wm::FindWindowToPaint(filter);
    if (w) {
      m = MSG{};
      m.hwnd = w;
      m.message = WM_PAINT;
      m.time = DWORD(Clock().TickCount());
      found = true;
    }
  }
  if (!found) found = wm::TakeTimerMessage(&m, filter, min, max, remove);
  if (!found) return false;
  if (wm::HasHooks(WH_GETMESSAGE))
    wm::CallHooks(WH_GETMESSAGE, HC_ACTION, remove ? PM_REMOVE : PM_NOREMOVE,
                  reinterpret_cast<LPARAM>(&m));
  if (remove) {
    q.lastTime = m.time;
    q.lastPos = m.pt;
  }
  *msg = m;
  return true;
}

void PostRaw(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  MSG m;
  m.hwnd = w;
  m.message = msg;
  m.wParam = wp;
  m.lParam = lp;
  m.time = DWORD(Clock().TickCount());
  GetCursorPos(&m.pt);
  Q().posted.push_back(m);
}

}  // namespace

namespace wm {

void SetSynthesizeCharsFromKeys(bool on) { Q().synthesizeChars = on; }

DWORD MessageTime() { return DWORD(Clock().TickCount()); }

void PostInput(const MSG& msg, int vk, bool down) {
  auto& q = Q();
  // Consecutive moves to the same window merge into the latest one.
  if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
    if (!q.input.empty()) {
      TInputEntry& last = q.input.back();
      if (last.msg.message == msg.message && last.msg.hwnd == msg.hwnd && last.vk < 0) {
        last.msg = msg;
        return;
      }
    }
  }
  TInputEntry e;
  e.msg = msg;
  e.vk = vk;
  e.down = down;
  q.input.push_back(std::move(e));
}

void RemoveMessagesFor(HWND w) {
  auto& q = Q();
  q.posted.erase(std::remove_if(q.posted.begin(), q.posted.end(),
                                [w](const MSG& m) { return m.hwnd == w; }),
                 q.posted.end());
  // Input keeps its key transitions: they are applied when the entry is dropped.
  for (auto it = q.input.begin(); it != q.input.end();) {
    if (it->msg.hwnd == w) {
      if (it->vk >= 0) ApplySyncKey(it->vk, it->down);
      it = q.input.erase(it);
    } else {
      ++it;
    }
  }
}

LRESULT CallProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc = w->proc ? w->proc : DefWindowProc;
  return proc(w, msg, wParam, lParam);
}

LRESULT Send(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!Valid(w)) return 0;
  auto& q = Q();
  if (HasHooks(WH_CALLWNDPROC)) {
    CWPSTRUCT cwp;
    cwp.lParam = lParam;
    cwp.wParam = wParam;
    cwp.message = msg;
    cwp.hwnd = w;
    CallHooks(WH_CALLWNDPROC, HC_ACTION, 1, reinterpret_cast<LPARAM>(&cwp));
    if (!Valid(w)) return 0;
  }
  ++q.sendDepth;
  LRESULT r;
  try {
    r = CallProc(w, msg, wParam, lParam);
  } catch (...) {
    --q.sendDepth;
    throw;
  }
  --q.sendDepth;
  if (HasHooks(WH_CALLWNDPROCRET)) {
    CWPRETSTRUCT ret;
    ret.lResult = r;
    ret.lParam = lParam;
    ret.wParam = wParam;
    ret.message = msg;
    ret.hwnd = w;
    CallHooks(WH_CALLWNDPROCRET, HC_ACTION, 1, reinterpret_cast<LPARAM>(&ret));
  }
  return r;
}

}  // namespace wm

// ---- sending and posting -------------------------------------------------------------------

LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (wnd == HWND_BROADCAST) {
    BroadcastSystemChange(msg, wParam, lParam);
    return 0;
  }
  return wm::Send(wnd, msg, wParam, lParam);
}

BOOL SendNotifyMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (wnd != HWND_BROADCAST && !wm::Valid(wnd)) return FALSE;
  SendMessage(wnd, msg, wParam, lParam);
  return TRUE;
}

BOOL PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (wnd == HWND_BROADCAST) {
    for (HWND w : wm::Desktop()->children) PostRaw(w, msg, wParam, lParam);
    return TRUE;
  }
  if (wnd && !wm::Valid(wnd)) return FALSE;
  PostRaw(wnd, msg, wParam, lParam);
  return TRUE;
}

BOOL PostThreadMessage(DWORD, UINT msg, WPARAM wParam, LPARAM lParam) {
  PostRaw(nullptr, msg, wParam, lParam);
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  Q().quitPending = true;
  Q().quitCode = exitCode;
}

void BroadcastSystemChange(UINT msg, WPARAM wParam, LPARAM lParam) {
  std::vector<HWND> tops = wm::Desktop()->children;
  for (HWND w : tops)
    if (wm::Valid(w)) wm::Send(w, msg, wParam, lParam);
}

// ---- retrieving ----------------------------------------------------------------------------

BOOL PeekMessage(MSG* msg, HWND wnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (!msg) return FALSE;
  if (wnd && wnd != reinterpret_cast<HWND>(intptr_t(-1)) && !wm::Valid(wnd)) return FALSE;
  if (PeekInternal(msg, wnd, filterMin, filterMax, removeFlags)) return TRUE;
  wm::PresentPending();
  return FALSE;
}

BOOL GetMessage(MSG* msg, HWND wnd, UINT filterMin, UINT filterMax) {
  if (!msg) return -1;
  for (;;) {
    if (wnd && wnd != reinterpret_cast<HWND>(intptr_t(-1)) && !wm::Valid(wnd)) return -1;
    if (PeekInternal(msg, wnd, filterMin, filterMax, PM_REMOVE))
      return msg->message == WM_QUIT ? FALSE : TRUE;
    wm::PresentPending();
    int timeout = wm::NextTimerDue(Clock().TickCount());
    if (!Backend())
      throw EInvalidOperation("GetMessage: no backend to wait for input with");
    Backend()->WaitForEvents(timeout);
  }
}

BOOL WaitMessage() {
  MSG m;
  if (PeekInternal(&m, nullptr, 0, 0, PM_NOREMOVE)) return TRUE;
  wm::PresentPending();
  if (!Backend()) return FALSE;
  Backend()->WaitForEvents(wm::NextTimerDue(Clock().TickCount()));
  return TRUE;
}

DWORD GetQueueStatus(UINT flags) {
  auto& q = Q();
  DWORD s = 0;
  if (!q.posted.empty() || q.quitPending) s |= QS_POSTMESSAGE;
  for (auto& e : q.input) {
    if (IsKeyMsg(e.msg.message)) s |= QS_KEY;
    else if (e.msg.message == WM_MOUSEMOVE || e.msg.message == WM_NCMOUSEMOVE) s |= QS_MOUSEMOVE;
    else if (IsMouseMsg(e.msg.message)) s |= QS_MOUSEBUTTON;
  }
  if (wm::FindWindowToPaint(nullptr)) s |= QS_PAINT;
  MSG m;
  if (wm::TakeTimerMessage(&m, nullptr, 0, 0, false)) s |= QS_TIMER;
  return s & flags;
}

DWORD GetMessagePos() {
  return MAKELONG(WORD(Q().lastPos.X), WORD(Q().lastPos.Y));
}

LONG GetMessageTime() { return LONG(Q().lastTime); }

BOOL InSendMessage() { return Q().sendDepth > 0; }

DWORD GetCurrentThreadId() { return 1; }

DWORD GetTickCount() { return DWORD(Clock().TickCount()); }

UINT RegisterWindowMessage(const char* name) {
  if (!name || !*name) return 0;
  auto& reg = Q().registered;
  auto it = reg.find(name);
  if (it != reg.end()) return it->second;
  UINT id = UINT(0xC000 + reg.size());
  reg[name] = id;
  return id;
}

// ---- translating and dispatching -----------------------------------------------------------

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return FALSE;
  auto& q = Q();
  bool sys = msg->message == WM_SYSKEYDOWN;
  UINT charMsg = sys ? WM_SYSCHAR : WM_CHAR;
  String text;
  if (q.lastKey.message == msg->message && q.lastKey.wParam == msg->wParam &&
      q.lastKey.time == msg->time && q.lastKey.hwnd == msg->hwnd)
    text = q.lastKeyText;
  std::vector<uint32_t> chars;
  if (!text.empty()) {
    chars = CodePoints(text);
  } else {
    int vk = int(msg->wParam);
    bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
    if (vk == VK_BACK) chars.push_back(8);
    else if (vk == VK_TAB) chars.push_back(9);
    else if (vk == VK_RETURN) chars.push_back(ctrl ? 10 : 13);
    else if (vk == VK_ESCAPE) chars.push_back(27);
    else if (vk >= 'A' && vk <= 'Z' && ctrl && !alt) chars.push_back(uint32_t(vk - 'A' + 1));
    else if (sys || q.synthesizeChars) {
      if (vk >= 'A' && vk <= 'Z') chars.push_back(uint32_t(shift ? vk : vk + 32));
      else if (vk >= '0' && vk <= '9' && !shift) chars.push_back(uint32_t(vk));
      else if (vk == VK_SPACE) chars.push_back(' ');
      else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) chars.push_back(uint32_t('0' + vk - VK_NUMPAD0));
    }
  }
  if (chars.empty()) return FALSE;
  for (uint32_t c : chars) PostRaw(msg->hwnd, charMsg, WPARAM(c), msg->lParam);
  return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    proc(msg->hwnd, WM_TIMER, UINT_PTR(msg->wParam), GetTickCount());
    return 0;
  }
  HWND w = wm::Valid(msg->hwnd);
  if (!w) return 0;
  if (msg->message == WM_PAINT) {
    LRESULT r = wm::CallProc(w, WM_PAINT, msg->wParam, msg->lParam);
    // A procedure that painted nothing must not make WM_PAINT come back for ever.
    if (wm::Valid(w) && wm::NeedsPaint(w) && !w->inPaint) {
      if (w->update) {
        DeleteObject(w->update);
        w->update = nullptr;
      }
      w->internalPaint = false;
      w->erasePending = false;
      w->ncPaintPending = false;
    }
    return r;
  }
  return wm::CallProc(w, msg->message, msg->wParam, msg->lParam);
}

// ---- input entries from the backends (text) ------------------------------------------------

void InputText(const String& utf8) {
  if (utf8.empty()) return;
  auto& q = Q();
  if (!q.input.empty()) {
    TInputEntry& last = q.input.back();
    if ((last.msg.message == WM_KEYDOWN) && last.text.empty()) {
      last.text = utf8;
      return;
    }
  }
  HWND target = GetFocus();
  if (!target) target = GetActiveWindow();
  if (!target) return;
  for (uint32_t c : CodePoints(utf8)) {
    MSG m;
    m.hwnd = target;
    m.message = WM_CHAR;
    m.wParam = WPARAM(c);
    m.lParam = 1;
    m.time = GetTickCount();
    GetCursorPos(&m.pt);
    TInputEntry e;
    e.msg = m;
    q.input.push_back(e);
  }
}

// ---- the default window procedure ----------------------------------------------------------

namespace {

void SendSizeAndMove(HWND w, const WINDOWPOS* wp) {
  if (!(wp->flags & SWP_NOSIZE)) {
    WPARAM kind = w->maximized ? SIZE_MAXIMIZED : w->minimized ? SIZE_MINIMIZED : SIZE_RESTORED;
    wm::Send(w, WM_SIZE, kind, MAKELPARAM(WORD(w->client.Width()), WORD(w->client.Height())));
    if (!wm::Valid(w)) return;
  }
  if (!(wp->flags & SWP_NOMOVE))
    wm::Send(w, WM_MOVE, 0,
             MAKELPARAM(WORD(w->rect.Left + w->client.Left), WORD(w->rect.Top + w->client.Top)));
}

HCURSOR CursorForHit(LRESULT hit) {
  switch (hit) {
    case HTLEFT:
    case HTRIGHT: return LoadCursor(nullptr, IDC_SIZEWE);
    case HTTOP:
    case HTBOTTOM: return LoadCursor(nullptr, IDC_SIZENS);
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: return LoadCursor(nullptr, IDC_SIZENWSE);
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: return LoadCursor(nullptr, IDC_SIZENESW);
  }
  return LoadCursor(nullptr, IDC_ARROW);
}

bool IsChildStyle(HWND w) { return (w->style & WS_CHILD) && w->parent && !w->parent->isDesktop; }

void PrintWindowTo(HWND w, HDC dc, LPARAM flags) {
  if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(w)) return;
  int saved = SaveDC(dc);
  if (flags & PRF_NONCLIENT) {
    // The frame in window coordinates; the DC's origin is the window's top-left.
    HDC wdc = dc;
    wm::DrawDefaultFrame(w, wdc);
  }
  POINT org;
  GetWindowOrgEx(dc, &org);
  int ox = (flags & PRF_NONCLIENT) ? w->client.Left : 0;
  int oy = (flags & PRF_NONCLIENT) ? w->client.Top : 0;
  SetWindowOrgEx(dc, org.X - ox, org.Y - oy, nullptr);
  IntersectClipRect(dc, 0, 0, w->client.Width(), w->client.Height());
  if (flags & PRF_ERASEBKGND) wm::Send(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  if (!wm::Valid(w)) return;
  if (flags & PRF_CLIENT) wm::Send(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
  if (!wm::Valid(w)) return;
  if (flags & PRF_CHILDREN) {
    std::vector<HWND> kids = w->children;
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
      HWND c = *it;
      if (!wm::Valid(c) || !(c->style & WS_VISIBLE)) continue;
      int s2 = SaveDC(dc);
      POINT o2;
      GetWindowOrgEx(dc, &o2);
      SetWindowOrgEx(dc, o2.X - c->rect.Left, o2.Y - c->rect.Top, nullptr);
      IntersectClipRect(dc, 0, 0, c->rect.Width(), c->rect.Height());
      wm::Send(c, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags | PRF_NONCLIENT);
      RestoreDC(dc, s2);
    }
  }
  RestoreDC(dc, saved);
}

}  // namespace

LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND w = wm::Valid(wnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE:
      return TRUE;
    case WM_NCCALCSIZE: {
      RECT* r = reinterpret_cast<RECT*>(lParam);
      if (!r) return 0;
      if (w->isDesktop) return 0;
      RECT in = wm::FrameInsets(w->style, w->exStyle, true);
      r->Left += in.Left;
      r->Top += in.Top;
      r->Right -= in.Right;
      r->Bottom -= in.Bottom;
      if (w->style & WS_VSCROLL) r->Right -= GetSystemMetrics(SM_CXVSCROLL);
      if (w->style & WS_HSCROLL) r->Bottom -= GetSystemMetrics(SM_CYHSCROLL);
      if (r->Right < r->Left) r->Right = r->Left;
      if (r->Bottom < r->Top) r->Bottom = r->Top;
      return 0;
    }
    case WM_NCHITTEST:
      return wm::NcHitTest(w, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT:
      wm::NcPaint(w);
      return 0;
    case WM_NCACTIVATE:
      if (wm::HasCaption(w)) {
        // The caption shows the state it is told, then the frame is redrawn.
        w->ncActive = wParam != 0;
        if (w->style & WS_VISIBLE) wm::NcPaint(w);
      }
      return TRUE;
    case WM_ERASEBKGND: {
      HBRUSH br = w->cls ? w->cls->wc.hbrBackground : nullptr;
      if (!br) return 0;
      HDC dc = reinterpret_cast<HDC>(wParam);
      RECT r;
      GetClipBox(dc, &r);
      FillRect(dc, &r, br);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(w, &ps);
      EndPaint(w, &ps);
      return 0;
    }
    case WM_PRINT:
      PrintWindowTo(w, reinterpret_cast<HDC>(wParam), lParam);
      return 0;
    case WM_SETTEXT: {
      const char* t = reinterpret_cast<const char*>(lParam);
      w->text = t ? t : "";
      if (w->hasNative && Backend()) Backend()->SetNativeTitle(w, w->text);
      if (wm::HasCaption(w) && (w->style & WS_VISIBLE)) wm::NcPaint(w);
      return TRUE;
    }
    case WM_GETTEXT: {
      char* buf = reinterpret_cast<char*>(lParam);
      int size = int(wParam);
      if (!buf || size <= 0) return 0;
      // Never cut a UTF-8 sequence in two.
      size_t n = std::min(w->text.size(), size_t(size - 1));
      while (n > 0 && n < w->text.size() && (static_cast<unsigned char>(w->text[n]) & 0xC0) == 0x80) --n;
      memcpy(buf, w->text.data(), n);
      buf[n] = 0;
      return LRESULT(n);
    }
    case WM_GETTEXTLENGTH:
      return LRESULT(w->text.size());
    case WM_CLOSE:
      DestroyWindow(w);
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE: wm::Send(w, WM_CLOSE, 0, 0); return 0;
        case SC_MINIMIZE: ShowWindow(w, SW_MINIMIZE); return 0;
        case SC_MAXIMIZE: ShowWindow(w, SW_MAXIMIZE); return 0;
        case SC_RESTORE: ShowWindow(w, SW_RESTORE); return 0;
      }
      return 0;
    case WM_NCLBUTTONDOWN:
      wm::NcMouseDown(w, LRESULT(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_SETCURSOR: {
      if (IsChildStyle(w) && wm::Send(w->parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
      if (!wm::Valid(w)) return TRUE;
      LRESULT hit = SHORT(LOWORD(lParam));
      if (hit == HTERROR) {
        WORD m = HIWORD(lParam);
        if (m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN) MessageBeep(0);
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        return TRUE;
      }
      if (hit == HTCLIENT) {
        HCURSOR c = w->cls ? w->cls->wc.hCursor : nullptr;
        if (!c) return FALSE;
        SetCursor(c);
        return TRUE;
      }
      SetCursor(CursorForHit(hit));
      return TRUE;
    }
    case WM_MOUSEACTIVATE:
      if (IsChildStyle(w)) {
        LRESULT r = wm::Send(w->parent, WM_MOUSEACTIVATE, wParam, lParam);
        if (r) return r;
      }
      return MA_ACTIVATE;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      if (IsChildStyle(w)) return wm::Send(w->parent, msg, wParam, lParam);
      return 0;
    case WM_CONTEXTMENU:
      if (IsChildStyle(w)) return wm::Send(w->parent, msg, wParam, lParam);
      return 0;
    case WM_KEYUP:
      // The context-menu key asks for the menu at no mouse point.
      if (wParam == WPARAM(VK_APPS)) wm::Send(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w), MAKELPARAM(0xFFFF, 0xFFFF));
      return 0;
    case WM_RBUTTONUP: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(w, &p);
      wm::Send(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w), MAKELPARAM(WORD(p.X), WORD(p.Y)));
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !w->minimized) SetFocus(w);
      return 0;
    case WM_WINDOWPOSCHANGED:
      SendSizeAndMove(w, reinterpret_cast<const WINDOWPOS*>(lParam));
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == WPARAM(VK_F4) && (GetKeyState(VK_MENU) & 0x8000)) {
        HWND top = wm::TopLevelOf(w);
        if (top) wm::Send(top, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_IME_CHAR:
      return wm::Send(w, WM_CHAR, wParam, lParam);
    case WM_SETREDRAW:
      // Turning redraw off makes the window invisible to painting until it is turned on.
      if (wParam) {
        if (w->redrawOff) w->style |= WS_VISIBLE;
        w->redrawOff = false;
      } else if (w->style & WS_VISIBLE) {
        w->style &= ~WS_VISIBLE;
        w->redrawOff = true;
      }
      return 0;
    case WM_CANCELMODE:
      if (GetCapture() == w) ReleaseCapture();
      return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      bool window = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(window ? COLOR_WINDOW : COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(window ? COLOR_WINDOW : msg == WM_CTLCOLORSCROLLBAR ? COLOR_SCROLLBAR : COLOR_BTNFACE));
    }
    case WM_GETMINMAXINFO: {
      MINMAXINFO* mm = reinterpret_cast<MINMAXINFO*>(lParam);
      if (!mm) return 0;
      RECT s = wm::ScreenRect();
      mm->ptMaxSize = {s.Width(), s.Height()};
      mm->ptMaxPosition = {0, 0};
      mm->ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
      mm->ptMaxTrackSize = {s.Width() + 8, s.Height() + 8};
      return 0;
    }
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN:
      return TRUE;
  }
  return 0;
}

LRESULT CallWindowProc(WNDPROC proc, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!proc) return 0;
  return proc(wnd, msg, wParam, lParam);
}
