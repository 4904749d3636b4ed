// Global memory blocks and the clipboard. Text is UTF-8 in CF_TEXT and UTF-16 in
// CF_UNICODETEXT; the backend's clipboard carries the text to other programs.
#include <cstring>
#include <map>
#include <unordered_set>

#include "rtl/SysUtils.h"
#include "rtl/System.h"
#include "user/WinInternal.h"

namespace {

struct TGlobal {
  std::vector<uint8_t> data;
  int locks = 0;
};

std::unordered_set<TGlobal*>& Globals() {
  static std::unordered_set<TGlobal*> s;
  return s;
}

TGlobal* G(HGLOBAL h) {
  auto* g = static_cast<TGlobal*>(h);
  return Globals().count(g) ? g : nullptr;
}

struct TClipboard {
  bool open = false;
  HWND openedBy = nullptr;
  HWND owner = nullptr;
  bool changed = false;
  std::map<UINT, HANDLE> data;
  std::map<String, UINT> formats;
};

TClipboard& CB() {
  static TClipboard c;
  return c;
}

void FreeData(UINT format, HANDLE h) {
  if (!h) return;
  if (format == CF_BITMAP)
    DeleteObject(static_cast<HGDIOBJ>(h));
  else
    GlobalFree(h);
}

// At the end of the program the data still on the clipboard is freed, so that leak
// checkers see nothing left; later use starts the unit again.
void FreeClipboardAtEnd() {
  auto& c = CB();
  for (auto& p : c.data) FreeData(p.first, p.second);
  c.data.clear();
  c.open = false;
  c.openedBy = c.owner = nullptr;
  c.changed = false;
}

// Called whenever the clipboard takes data.
void StartClipboardUnit() { InitUnit("user.Clipboard", [] {}, FreeClipboardAtEnd); }

HGLOBAL MakeGlobal(const void* bytes, size_t n) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, n);
  if (h && n) memcpy(G(h)->data.data(), bytes, n);
  return h;
}

// The text on the clipboard as UTF-8, from whichever text format is there.
bool TextOnClipboard(String& out) {
  auto& c = CB();
  auto it = c.data.find(CF_TEXT);
  if (it != c.data.end() && G(it->second)) {
    TGlobal* g = G(it->second);
    out.assign(reinterpret_cast<const char*>(g->data.data()), strnlen(reinterpret_cast<const char*>(g->data.data()), g->data.size()));
    return true;
  }
  it = c.data.find(CF_UNICODETEXT);
  if (it != c.data.end() && G(it->second)) {
    TGlobal* g = G(it->second);
    std::u16string s(reinterpret_cast<const char16_t*>(g->data.data()), g->data.size() / 2);
    s.push_back(0);
    out = UTF8Encode(WideString(s.c_str()));
    return true;
  }
  if (c.data.empty() && Backend()) return Backend()->GetClipboardText(out);
  return false;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, size_t bytes) {
  if (bytes > (size_t(1) << 31)) return nullptr;
  auto* g = new TGlobal;
  g->data.assign(bytes, 0);
  (void)flags;
  Globals().insert(g);
  return g;
}

void* GlobalLock(HGLOBAL mem) {
  TGlobal* g = G(mem);
  if (!g) return nullptr;
  ++g->locks;
  return g->data.empty() ? static_cast<void*>(g) : g->data.data();
}

BOOL GlobalUnlock(HGLOBAL mem) {
  TGlobal* g = G(mem);
  if (!g || g->locks == 0) return FALSE;
  return --g->locks > 0;
}

size_t GlobalSize(HGLOBAL mem) {
  TGlobal* g = G(mem);
  return g ? g->data.size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL mem) {
  TGlobal* g = G(mem);
  if (!g) return mem;
  Globals().erase(g);
  delete g;
  return nullptr;
}

BOOL OpenClipboard(HWND owner) {
  auto& c = CB();
  if (c.open) return FALSE;
  c.open = true;
  c.openedBy = owner;
  c.changed = false;
  return TRUE;
}

BOOL CloseClipboard() {
  auto& c = CB();
  if (!c.open) return FALSE;
  c.open = false;
  if (c.changed && Backend()) {
    String text;
    if (TextOnClipboard(text)) Backend()->SetClipboardText(text);
  }
  c.changed = false;
  return TRUE;
}

BOOL EmptyClipboard() {
  auto& c = CB();
  if (!c.open) return FALSE;
  for (auto& p : c.data) FreeData(p.first, p.second);
  c.data.clear();
  c.owner = c.openedBy;
  c.changed = true;
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  auto& c = CB();
  if (!c.open || !format) return nullptr;
  auto it = c.data.find(format);
  if (it != c.data.end() && it->second != data) FreeData(format, it->second);
  StartClipboardUnit();
  c.data[format] = data;
  // One text format stands for the other.
  if (format == CF_TEXT) {
    auto u = c.data.find(CF_UNICODETEXT);
    if (u != c.data.end()) FreeData(CF_UNICODETEXT, u->second), c.data.erase(u);
  } else if (format == CF_UNICODETEXT) {
    auto t = c.data.find(CF_TEXT);
    if (t != c.data.end()) FreeData(CF_TEXT, t->second), c.data.erase(t);
  }
  c.changed = true;
  return data;
}

HANDLE GetClipboardData(UINT format) {
  auto& c = CB();
  if (!c.open) return nullptr;
  auto it = c.data.find(format);
  if (it != c.data.end()) return it->second;
  if (format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT) {
    String text;
    if (!TextOnClipboard(text)) return nullptr;
    HGLOBAL h;
    if (format == CF_UNICODETEXT) {
      std::u16string w = UTF8Decode(text);
      w.push_back(0);
      h = MakeGlobal(w.data(), w.size() * 2);
    } else {
      h = MakeGlobal(text.c_str(), text.size() + 1);
    }
    // Kept with the clipboard so that it is freed with the rest.
    if (h) {
      StartClipboardUnit();
      c.data[format] = h;
    }
    return h;
  }
  return nullptr;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  auto& c = CB();
  if (c.data.count(format)) return TRUE;
  bool text = format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT;
  if (text && (c.data.count(CF_TEXT) || c.data.count(CF_UNICODETEXT))) return TRUE;
  if (text && c.data.empty() && Backend()) {
    String s;
    return Backend()->GetClipboardText(s) && !s.empty();
  }
  return FALSE;
}

int CountClipboardFormats() { return int(CB().data.size()); }

UINT EnumClipboardFormats(UINT format) {
  auto& c = CB();
  if (!c.open) return 0;
  auto it = format ? c.data.upper_bound(format) : c.data.begin();
  return it == c.data.end() ? 0 : it->first;
}

UINT RegisterClipboardFormat(const char* name) {
  if (!name || !*name) return 0;
  auto& f = CB().formats;
  auto it = f.find(name);
  if (it != f.end()) return it->second;
  UINT id = UINT(0xC000 + f.size());
  f[name] = id;
  return id;
}

HWND GetClipboardOwner() { return wm::Valid(CB().owner); }

bool SetClipboardText(const String& utf8) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL h = MakeGlobal(utf8.c_str(), utf8.size() + 1);
  bool ok = h && SetClipboardData(CF_TEXT, h);
  CloseClipboard();
  return ok;
}

bool GetClipboardText(String& utf8) {
  if (!OpenClipboard(nullptr)) return false;
  String s;
  bool ok = TextOnClipboard(s);
  CloseClipboard();
  if (ok) utf8 = s;
  return ok;
}
