// The theme-handle cache of the 24 visual-style classes, the availability test and the
// theme-changed notification. Without a visual-style library every query answers false
// and OpenThemeCached returns 0.
#pragma once

#include <functional>

#include "foundation/dxUxTheme.h"
#include "user/Windows.h"

enum TdxThemeClass {
  tcButton, tcClock, tcComboBox, tcEdit, tcExplorerBar, tcHeader, tcListView, tcMenu, tcPage,
  tcProgress, tcRebar, tcScrollBar, tcSpin, tcStartPanel, tcStatus, tcTab, tcTaskBand,
  tcTaskBar, tcToolBar, tcToolTip, tcTrackBar, tcTrayNotify, tcTreeView, tcWindow
};
constexpr int dxThemeClassCount = 24;
// Bit i for class i.
using TdxThemeClasses = TSet<TdxThemeClass, 32>;

// The class's default class-list text ("Button" ...).
const char* ThemeClassText(TdxThemeClass c);

struct TdxThemeData {
  HTHEME Handle = 0;
  String ClassList;  // the list the handle was opened with; kept after a theme change
};
const TdxThemeData& ThemeCacheEntry(TdxThemeClass c);

// The library's IsThemeActive answer, taken at start and after every theme change.
bool ThemesActive();

bool AreThemesAvailable(const TdxThemeClasses& classes = {});
bool IsThemeClassAvailable(TdxThemeClass c);
// The cached handle, opened with the stored class list or the class's default text.
HTHEME OpenThemeCached(TdxThemeClass c);
// The cached handle when it was opened with classList (case ignored); else reopened with it.
HTHEME OpenThemeCached(TdxThemeClass c, const String& classList);
// 1 when themes are not available, 0 when the class has no handle, else the library's result.
HRESULT CloseThemeClass(TdxThemeClass c);
void CloseAllThemeHandles();
bool UsesLunaOrRoyaleTheme();
// The hidden window that receives WM_THEMECHANGED (null while the library is not loaded).
HWND ThemeChangedReceiverWindow();

// Told after every theme change, in creation order.
class TdxThemeChangedNotificator : public TObject {
  KORVAN_CLASS(TdxThemeChangedNotificator, TObject)

 public:
  TdxThemeChangedNotificator();
  ~TdxThemeChangedNotificator() override;
  std::function<void()> OnThemeChanged;
};

// Starts the theme layer: binds the library, reads ThemesActive, creates the receiver
// window and the notificator list.
void InitializeDxThemeManager();
// The theme manager's own start and end, used again when a library is installed.
void StartThemeManager();
void StopThemeManager();
