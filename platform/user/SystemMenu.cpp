// The system menu of a window: the frame's commands as entries that a program may delete.
#include <unordered_set>

#include "user/WinInternal.h"

namespace {

std::unordered_set<HMENU>& LiveMenus() {
  static std::unordered_set<HMENU> menus;
  return menus;
}

HMENU ValidMenu(HMENU menu) { return menu && LiveMenus().count(menu) ? menu : nullptr; }

void FillStandard(HMENU__& menu) {
  menu.entries = {{UINT(SC_RESTORE), 0}, {UINT(SC_MOVE), 0},     {UINT(SC_SIZE), 0}, {UINT(SC_MINIMIZE), 0},
                  {UINT(SC_MAXIMIZE), 0}, {0, MF_SEPARATOR}, {UINT(SC_CLOSE), 0}};
}

}  // namespace

HMENU__::HMENU__() { LiveMenus().insert(this); }
HMENU__::~HMENU__() { LiveMenus().erase(this); }

HMENU GetSystemMenu(HWND wnd, BOOL revert) {
  HWND w = wm::Valid(wnd);
  if (!w || !(w->style & WS_SYSMENU)) return nullptr;
  if (revert) {
    if (w->systemMenu) FillStandard(*w->systemMenu);
    return nullptr;
  }
  if (!w->systemMenu) {
    w->systemMenu = std::make_unique<HMENU__>();
    FillStandard(*w->systemMenu);
  }
  return w->systemMenu.get();
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  HMENU m = ValidMenu(menu);
  if (!m) return FALSE;
  auto& e = m->entries;
  if (flags & MF_BYPOSITION) {
    if (position >= e.size()) return FALSE;
    e.erase(e.begin() + std::ptrdiff_t(position));
    return TRUE;
  }
  for (auto it = e.begin(); it != e.end(); ++it)
    if (!(it->flags & MF_SEPARATOR) && it->command == position) {
      e.erase(it);
      return TRUE;
    }
  return FALSE;
}

int GetMenuItemCount(HMENU menu) {
  HMENU m = ValidMenu(menu);
  return m ? int(m->entries.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  HMENU m = ValidMenu(menu);
  if (!m || position < 0 || position >= int(m->entries.size())) return UINT(-1);
  const auto& entry = m->entries[std::size_t(position)];
  return (entry.flags & MF_SEPARATOR) ? 0 : entry.command;
}
