// Binding of the visual-style library. The library is optional: on this platform there is
// none, so ThemeLibraryLoaded() is false unless a theme engine was installed (tests install
// the scripted engine below). The Ux... forwarders call the bound entries and answer a
// failure result for an entry that is not bound; they never check anything else.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "gdi/Gdi.h"
#include "rtl/System.h"

using HTHEME = uintptr_t;  // 0: no theme
using HRESULT = int32_t;
constexpr HRESULT S_OK = 0, S_FALSE = 1;
constexpr HRESULT E_FAIL = HRESULT(0x80004005u), E_NOTIMPL = HRESULT(0x80004001u);
inline bool SUCCEEDED(HRESULT r) { return r >= 0; }
inline bool FAILED(HRESULT r) { return r < 0; }

enum THEMESIZE { TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2 };

// The entry points of a visual-style library. A library may lack entries (HasEntry false):
// the binding then leaves them empty.
class TdxThemeLibrary {
 public:
  virtual ~TdxThemeLibrary() = default;
  virtual bool HasEntry(const char* name) const { (void)name; return true; }
  // Major and minor version of the operating system the library belongs to.
  virtual void OSVersion(int& major, int& minor) const { major = 5; minor = 1; }
  virtual HTHEME OpenThemeData(HWND window, const String& classList) = 0;
  virtual HRESULT CloseThemeData(HTHEME theme) = 0;
  virtual HRESULT DrawThemeBackground(HTHEME, HDC, int part, int state, const TRect& r, const TRect* clip) = 0;
  virtual HRESULT DrawThemeText(HTHEME, HDC, int part, int state, const String& text, int charCount,
                                DWORD flags, DWORD flags2, const TRect& r) = 0;
  virtual HRESULT GetThemeBackgroundContentRect(HTHEME, HDC, int part, int state, const TRect& bounds, TRect& content) = 0;
  virtual HRESULT GetThemePartSize(HTHEME, HDC, int part, int state, const TRect* r, THEMESIZE kind, TSize& size) = 0;
  virtual HRESULT GetThemeBackgroundRegion(HTHEME, HDC, int part, int state, const TRect& r, HRGN& region) = 0;
  virtual HRESULT DrawThemeEdge(HTHEME, HDC, int part, int state, const TRect& dest, UINT edge, UINT flags, TRect* content) = 0;
  virtual bool IsThemeBackgroundPartiallyTransparent(HTHEME, int part, int state) = 0;
  virtual HRESULT DrawThemeParentBackground(HWND window, HDC dc, const TRect* r) = 0;
  virtual HRESULT GetThemeColor(HTHEME, int part, int state, int propId, COLORREF& color) = 0;
  virtual bool IsThemeActive() = 0;
  virtual HRESULT GetCurrentThemeName(String& fileName, String& colorName, String& sizeName) = 0;
};

// ---- binding -------------------------------------------------------------------------------

// The names of the entries looked up when the library is bound, in lookup order.
const std::vector<const char*>& ThemeLibraryEntryNames();
// Binds the installed library (unit start); nothing is bound when there is none or when
// the system is older than the one the library needs.
void BindThemeLibrary();
void UnbindThemeLibrary();
bool ThemeLibraryLoaded();
bool RunningOnXPOrLater();
bool ThemeEntryBound(const char* name);
// Installs a library (nullptr: none) and restarts the theme layer with it: the cached
// handles are closed, the library bound again and the theme manager started again. The
// library is not owned.
void InstallThemeLibrary(TdxThemeLibrary* library);
TdxThemeLibrary* InstalledThemeLibrary();

// ---- forwarders (the library's argument order) ----------------------------------------------

HTHEME UxOpenThemeData(HWND window, const String& classList);
HRESULT UxCloseThemeData(HTHEME theme);
HRESULT UxDrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const TRect& r, const TRect& clip);
HRESULT UxDrawThemeBackgroundAlt(HTHEME theme, HDC dc, int part, int state, const TRect& r, const TRect* clip);
HRESULT UxDrawThemeText(HTHEME theme, HDC dc, int part, int state, const String& text, int charCount,
                        DWORD flags, DWORD flags2, const TRect& r);
HRESULT UxDrawThemeTextAnsi(HTHEME theme, HDC dc, int part, int state, const String& text, int charCount,
                            DWORD flags, DWORD flags2, const TRect& r);
HRESULT UxGetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const TRect& bounds, TRect& content);
HRESULT UxGetThemePartSize(HTHEME theme, HDC dc, int part, int state, const TRect& r, THEMESIZE kind, TSize& size);
HRESULT UxGetThemePartSizeNoRect(HTHEME theme, HDC dc, int part, int state, THEMESIZE kind, TSize& size);
HRESULT UxGetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int state, const TRect& r, HRGN& region);
HRESULT UxDrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const TRect& dest, UINT edge, UINT flags,
                        TRect* content);
bool UxIsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
// Keeps the font selected into the DC across the call.
HRESULT UxDrawThemeParentBackground(HWND window, HDC dc, const TRect* r);
HRESULT UxGetThemeColor(HTHEME theme, int part, int state, int propId, COLORREF& color);
bool UxIsThemeActive();
// Each name is cut to maxChars - 1 characters, as into a buffer of maxChars.
HRESULT UxGetCurrentThemeName(String& fileName, int fileMax, String& colorName, int colorMax,
                              String& sizeName, int sizeMax);

// ---- the scripted engine -------------------------------------------------------------------

// A theme library driven by a script: which class lists open, whether themes are active,
// the current theme's names, colours, part sizes and content margins. Backgrounds are
// painted as solid fills in a colour derived from (class, part, state), edges with DrawEdge,
// texts with DrawText. Every call is logged ("Open Button", "Close 3", "Background Button 1 2"...).
class TdxScriptedThemeLibrary : public TdxThemeLibrary {
 public:
  TdxScriptedThemeLibrary();

  // Script
  bool Active = true;
  int OSMajor = 5, OSMinor = 1;
  String FileName = "C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles";
  String ColorName = "NormalColor";
  String SizeName = "NormalSize";
  HRESULT ThemeNameResult = S_OK;
  // Class names (upper case) that fail to open; an empty class list always fails.
  std::set<String> FailingClasses;
  // Entries reported missing by HasEntry.
  std::set<String> MissingEntries;
  // Colour answers by (class name upper case, part, state, property); others fail.
  void SetColor(const String& className, int part, int state, int propId, COLORREF color);
  // Part sizes by (class, part, state); others answer 13 x 13.
  void SetPartSize(const String& className, int part, int state, TSize size);
  // Content rect = bounds shrunk by this margin (default 2 on every side).
  TRect ContentMargins = TRect(2, 2, 2, 2);
  bool PartiallyTransparent = false;
  // The fill colour of a themed background.
  static COLORREF BackgroundColor(const String& className, int part, int state);

  // What happened
  std::vector<String> Log;
  int OpenCount = 0, CloseCount = 0;
  // The class list a handle was opened with ("" for an unknown handle).
  String ClassListOf(HTHEME theme) const;
  bool IsOpen(HTHEME theme) const { return open_.count(theme) != 0; }

  bool HasEntry(const char* name) const override;
  void OSVersion(int& major, int& minor) const override { major = OSMajor; minor = OSMinor; }
  HTHEME OpenThemeData(HWND window, const String& classList) override;
  HRESULT CloseThemeData(HTHEME theme) override;
  HRESULT DrawThemeBackground(HTHEME, HDC, int part, int state, const TRect& r, const TRect* clip) override;
  HRESULT DrawThemeText(HTHEME, HDC, int part, int state, const String& text, int charCount, DWORD flags,
                        DWORD flags2, const TRect& r) override;
  HRESULT GetThemeBackgroundContentRect(HTHEME, HDC, int part, int state, const TRect& bounds, TRect& content) override;
  HRESULT GetThemePartSize(HTHEME, HDC, int part, int state, const TRect* r, THEMESIZE kind, TSize& size) override;
  HRESULT GetThemeBackgroundRegion(HTHEME, HDC, int part, int state, const TRect& r, HRGN& region) override;
  HRESULT DrawThemeEdge(HTHEME, HDC, int part, int state, const TRect& dest, UINT edge, UINT flags, TRect* content) override;
  bool IsThemeBackgroundPartiallyTransparent(HTHEME, int part, int state) override;
  HRESULT DrawThemeParentBackground(HWND window, HDC dc, const TRect* r) override;
  HRESULT GetThemeColor(HTHEME, int part, int state, int propId, COLORREF& color) override;
  bool IsThemeActive() override { return Active; }
  HRESULT GetCurrentThemeName(String& fileName, String& colorName, String& sizeName) override;

 private:
  String ClassOf(HTHEME theme) const;
  std::map<HTHEME, String> open_;
  HTHEME next_ = 1;
  std::map<std::tuple<String, int, int, int>, COLORREF> colors_;
  std::map<std::tuple<String, int, int>, TSize> sizes_;
};
