#include "foundation/dxThemeManager.h"

#include <algorithm>
#include <vector>

#include "rtl/SysUtils.h"
#include "vcl/Forms.h"

namespace {
const char* const classTexts[dxThemeClassCount] = {
    "Button", "Clock", "ComboBox", "Edit", "ExplorerBar", "Header", "ListView", "Menu",
    "Page", "Progress", "Rebar", "ScrollBar", "Spin", "StartPanel", "Status", "Tab",
    "TaskBand", "TaskBar", "ToolBar", "ToolTip", "TrackBar", "TrayNotify", "TreeView", "Window"};

TdxThemeData cache[dxThemeClassCount];
bool themesActive = false;
HWND receiver = nullptr;
std::vector<TdxThemeChangedNotificator*>* notificators = nullptr;

// The file name part of a path written with either delimiter.
String FileNamePart(const String& path) {
  size_t p = path.find_last_of("\\/");
  return p == String::npos ? path : path.substr(p + 1);
}

LRESULT ReceiverProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_THEMECHANGED) return DefWindowProc(wnd, msg, wParam, lParam);
  try {
    CloseAllThemeHandles();
    DefWindowProc(wnd, msg, wParam, lParam);
    themesActive = UxIsThemeActive();
    if (notificators) {
      // A notificator may free itself or others while it is told: the index advances only
      // when the call left the list's length unchanged.
      size_t i = 0;
      while (notificators && i < notificators->size()) {
        size_t n = notificators->size();
        TdxThemeChangedNotificator* nf = (*notificators)[i];
        if (nf->OnThemeChanged) nf->OnThemeChanged();
        if (notificators && notificators->size() == n) ++i;
      }
    }
  } catch (...) {
    if (Application) Application->HandleException(nullptr);
  }
  return 0;
}
}  // namespace

KORVAN_IMPLEMENT_CLASS(TdxThemeChangedNotificator)

const char* ThemeClassText(TdxThemeClass c) {
  int i = int(c);
  return i >= 0 && i < dxThemeClassCount ? classTexts[i] : "";
}

const TdxThemeData& ThemeCacheEntry(TdxThemeClass c) { return cache[int(c)]; }

bool ThemesActive() { return themesActive; }

bool AreThemesAvailable(const TdxThemeClasses& classes) {
  if (!themesActive || !ThemeLibraryLoaded()) return false;
  for (int i = 0; i < dxThemeClassCount; ++i)
    if (classes.Contains(TdxThemeClass(i)) && OpenThemeCached(TdxThemeClass(i)) == 0) return false;
  return true;
}

bool IsThemeClassAvailable(TdxThemeClass c) { return AreThemesAvailable(TdxThemeClasses{c}); }

namespace {
HTHEME OpenCached(TdxThemeClass c, const String* classList) {
  if (!AreThemesAvailable()) return 0;
  TdxThemeData& e = cache[int(c)];
  if (e.Handle) {
    if (!classList || SameText(*classList, e.ClassList)) return e.Handle;
    CloseThemeClass(c);
  }
  String list = classList ? *classList : (!e.ClassList.empty() ? e.ClassList : String(classTexts[int(c)]));
  e.Handle = UxOpenThemeData(nullptr, list);
  if (e.Handle)
    e.ClassList = list;
  else
    e.ClassList.clear();
  return e.Handle;
}
}  // namespace

HTHEME OpenThemeCached(TdxThemeClass c) { return OpenCached(c, nullptr); }
HTHEME OpenThemeCached(TdxThemeClass c, const String& classList) { return OpenCached(c, &classList); }

HRESULT CloseThemeClass(TdxThemeClass c) {
  if (!AreThemesAvailable()) return 1;
  TdxThemeData& e = cache[int(c)];
  if (!e.Handle) return 0;
  HRESULT r = UxCloseThemeData(e.Handle);
  e.Handle = 0;
  e.ClassList.clear();
  return r;
}

void CloseAllThemeHandles() {
  for (TdxThemeData& e : cache)
    if (e.Handle) {
      UxCloseThemeData(e.Handle);
      e.Handle = 0;
    }
}

bool UsesLunaOrRoyaleTheme() {
  if (!AreThemesAvailable()) return false;
  String file, color, size;
  if (FAILED(UxGetCurrentThemeName(file, 1024, color, 1024, size, 1024))) return false;
  String name = UpperCase(FileNamePart(file));
  return name == "LUNA.MSSTYLES" || name == "ROYALE.MSSTYLES";
}

HWND ThemeChangedReceiverWindow() {
  // Made again when something destroyed it (a test session closes every top-level window).
  if (receiver && !IsWindow(receiver)) receiver = AllocateHWnd(&ReceiverProc);
  return receiver;
}

TdxThemeChangedNotificator::TdxThemeChangedNotificator() {
  if (ThemeLibraryLoaded() && notificators) notificators->push_back(this);
}

TdxThemeChangedNotificator::~TdxThemeChangedNotificator() {
  if (notificators) {
    auto it = std::find(notificators->begin(), notificators->end(), this);
    if (it != notificators->end()) notificators->erase(it);
  }
}

void StartThemeManager() {
  if (!ThemeLibraryLoaded()) return;
  themesActive = UxIsThemeActive();
  receiver = AllocateHWnd(&ReceiverProc);
  notificators = new std::vector<TdxThemeChangedNotificator*>();
}

void StopThemeManager() {
  if (receiver) {
    if (IsWindow(receiver)) DeallocateHWnd(receiver);
    receiver = nullptr;
  }
  themesActive = false;
  if (ThemeLibraryLoaded()) CloseAllThemeHandles();
  delete notificators;
  notificators = nullptr;
  for (TdxThemeData& e : cache) {
    e.Handle = 0;
    e.ClassList.clear();
  }
}

void InitializeDxThemeManager() {
  InitUnit(
      "dxThemeManager",
      [] {
        BindThemeLibrary();
        StartThemeManager();
      },
      [] {
        StopThemeManager();
        UnbindThemeLibrary();
      });
}
