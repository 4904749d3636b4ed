// Thread-local message hooks with chaining.
#include <algorithm>

#include "user/WinInternal.h"

struct HHOOK__ {
  int kind = 0;
  HOOKPROC proc = nullptr;
  bool removed = false;
};

namespace {

struct THookState {
  // Newest first, per kind.
  std::vector<HHOOK> chains[16];
  std::vector<HHOOK> graveyard;
  int calling = 0;
};

THookState& H() {
  static THookState s;
  return s;
}

int Slot(int kind) {
  switch (kind) {
    case WH_MSGFILTER: return 0;
    case WH_KEYBOARD: return 1;
    case WH_GETMESSAGE: return 2;
    case WH_CALLWNDPROC: return 3;
    case WH_CBT: return 4;
    case WH_MOUSE: return 5;
    case WH_CALLWNDPROCRET: return 6;
  }
  return -1;
}

void Collect() {
  auto& s = H();
  if (s.calling) return;
  for (HHOOK h : s.graveyard) delete h;
  s.graveyard.clear();
}

// Calls one hook procedure, counting the call so that hooks unhooked meanwhile are freed only
// once no call is running.
LRESULT Invoke(THookState& s, HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  ++s.calling;
  LRESULT r;
  try {
    r = hook->proc(code, wParam, lParam);
  } catch (...) {
    --s.calling;
    throw;
  }
  --s.calling;
  Collect();
  return r;
}

}  // namespace

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE, DWORD) {
  int slot = Slot(idHook);
  if (slot < 0 || !proc) return nullptr;
  HHOOK h = new HHOOK__{idHook, proc, false};
  auto& chain = H().chains[slot];
  chain.insert(chain.begin(), h);
  return h;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
  if (!hook) return FALSE;
  auto& s = H();
  for (auto& chain : s.chains) {
    auto it = std::find(chain.begin(), chain.end(), hook);
    if (it != chain.end()) {
      chain.erase(it);
      hook->removed = true;
      s.graveyard.push_back(hook);
      Collect();
      return TRUE;
    }
  }
  return FALSE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  auto& s = H();
  if (!hook) return 0;
  int slot = Slot(hook->kind);
  if (slot < 0) return 0;
  auto& chain = s.chains[slot];
  auto it = std::find(chain.begin(), chain.end(), hook);
  if (it == chain.end() || ++it == chain.end()) return 0;
  HHOOK next = *it;
  return Invoke(s, next, code, wParam, lParam);
}

namespace wm {

bool HasHooks(int kind) {
  int slot = Slot(kind);
  return slot >= 0 && !H().chains[slot].empty();
}

LRESULT CallHooks(int kind, int code, WPARAM wParam, LPARAM lParam) {
  auto& s = H();
  int slot = Slot(kind);
  if (slot < 0 || s.chains[slot].empty()) return 0;
  HHOOK first = s.chains[slot].front();
  return Invoke(s, first, code, wParam, lParam);
}

}  // namespace wm
