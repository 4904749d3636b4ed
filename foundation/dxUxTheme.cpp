#include "foundation/dxUxTheme.h"

#include <algorithm>

#include "foundation/cxClasses.h"
#include "foundation/dxThemeManager.h"
#include "rtl/SysUtils.h"

namespace {
TdxThemeLibrary* installed = nullptr;  // what "loading the library" finds
TdxThemeLibrary* bound = nullptr;      // the loaded library
std::set<String> boundEntries;
bool xpOrLater = false;

TdxThemeLibrary* Entry(const char* name) {
  if (!bound || !boundEntries.count(name)) return nullptr;
  return bound;
}
}  // namespace

const std::vector<const char*>& ThemeLibraryEntryNames() {
  static const std::vector<const char*> names = {
      "CloseThemeData", "DrawThemeBackground", "DrawThemeEdge", "DrawThemeIcon", "DrawThemeParentBackground",
      "DrawThemeText", "DrawThemeTextEx", "EnableThemeDialogTexture", "GetCurrentThemeName",
      "GetThemeAppProperties", "GetThemeBackgroundContentRect", "GetThemeBackgroundRegion",
      "GetThemeBackgroundExtent", "GetThemeBool", "GetThemeColor", "GetThemeDocumentationProperty",
      "GetThemeEnumValue", "GetThemeFilename", "GetThemeFont", "GetThemeInt", "GetThemeIntList",
      "GetThemeMargins", "GetThemeMetric", "GetThemePartSize", "GetThemePosition", "GetThemePropertyOrigin",
      "GetThemeRect", "GetThemeString", "GetThemeSysBool", "GetThemeSysColor", "GetThemeSysColorBrush",
      "GetThemeSysFont", "GetThemeSysInt", "GetThemeSysSize", "GetThemeSysString", "GetThemeTextExtent",
      "GetThemeTextMetrics", "GetWindowTheme", "HitTestThemeBackground", "IsAppThemed", "IsThemeActive",
      "IsThemePartDefined", "IsThemeBackgroundPartiallyTransparent", "IsThemeDialogTextureEnabled",
      "OpenThemeData", "SetThemeAppProperties", "SetWindowTheme"};
  return names;
}

void BindThemeLibrary() {
  UnbindThemeLibrary();
  int major = 0, minor = 0;
  if (installed) installed->OSVersion(major, minor);
  xpOrLater = major > 5 || (major == 5 && minor > 0);
  if (!installed || !xpOrLater) return;
  bound = installed;
  for (const char* name : ThemeLibraryEntryNames())
    if (bound->HasEntry(name)) boundEntries.insert(name);
}

void UnbindThemeLibrary() {
  bound = nullptr;
  boundEntries.clear();
}

bool ThemeLibraryLoaded() { return bound != nullptr; }
bool RunningOnXPOrLater() { return xpOrLater; }
bool ThemeEntryBound(const char* name) { return Entry(name) != nullptr; }

void InstallThemeLibrary(TdxThemeLibrary* library) {
  InitializeDxThemeManager();
  StopThemeManager();
  installed = library;
  BindThemeLibrary();
  StartThemeManager();
}

TdxThemeLibrary* InstalledThemeLibrary() { return installed; }

// ---- forwarders ----------------------------------------------------------------------------

HTHEME UxOpenThemeData(HWND window, const String& classList) {
  auto* l = Entry("OpenThemeData");
  return l ? l->OpenThemeData(window, classList) : 0;
}

HRESULT UxCloseThemeData(HTHEME theme) {
  auto* l = Entry("CloseThemeData");
  return l ? l->CloseThemeData(theme) : E_NOTIMPL;
}

HRESULT UxDrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const TRect& r, const TRect& clip) {
  auto* l = Entry("DrawThemeBackground");
  return l ? l->DrawThemeBackground(theme, dc, part, state, r, &clip) : E_NOTIMPL;
}

HRESULT UxDrawThemeBackgroundAlt(HTHEME theme, HDC dc, int part, int state, const TRect& r, const TRect* clip) {
  auto* l = Entry("DrawThemeBackground");
  return l ? l->DrawThemeBackground(theme, dc, part, state, r, clip) : E_NOTIMPL;
}

HRESULT UxDrawThemeText(HTHEME theme, HDC dc, int part, int state, const String& text, int charCount, DWORD flags,
                        DWORD flags2, const TRect& r) {
  auto* l = Entry("DrawThemeText");
  return l ? l->DrawThemeText(theme, dc, part, state, text, charCount, flags, flags2, r) : E_NOTIMPL;
}

HRESULT UxDrawThemeTextAnsi(HTHEME theme, HDC dc, int part, int state, const String& text, int charCount,
                            DWORD flags, DWORD flags2, const TRect& r) {
  // Texts are UTF-8 throughout, so the "wide" conversion keeps the text as it is.
  return UxDrawThemeText(theme, dc, part, state, text, charCount, flags, flags2, r);
}

HRESULT UxGetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const TRect& bounds,
                                        TRect& content) {
  auto* l = Entry("GetThemeBackgroundContentRect");
  return l ? l->GetThemeBackgroundContentRect(theme, dc, part, state, bounds, content) : E_NOTIMPL;
}

HRESULT UxGetThemePartSize(HTHEME theme, HDC dc, int part, int state, const TRect& r, THEMESIZE kind, TSize& size) {
  auto* l = Entry("GetThemePartSize");
  return l ? l->GetThemePartSize(theme, dc, part, state, &r, kind, size) : E_NOTIMPL;
}

HRESULT UxGetThemePartSizeNoRect(HTHEME theme, HDC dc, int part, int state, THEMESIZE kind, TSize& size) {
  auto* l = Entry("GetThemePartSize");
  return l ? l->GetThemePartSize(theme, dc, part, state, nullptr, kind, size) : E_NOTIMPL;
}

HRESULT UxGetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int state, const TRect& r, HRGN& region) {
  auto* l = Entry("GetThemeBackgroundRegion");
  return l ? l->GetThemeBackgroundRegion(theme, dc, part, state, r, region) : E_NOTIMPL;
}

HRESULT UxDrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const TRect& dest, UINT edge, UINT flags,
                        TRect* content) {
  auto* l = Entry("DrawThemeEdge");
  return l ? l->DrawThemeEdge(theme, dc, part, state, dest, edge, flags, content) : E_NOTIMPL;
}

bool UxIsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state) {
  auto* l = Entry("IsThemeBackgroundPartiallyTransparent");
  return l ? l->IsThemeBackgroundPartiallyTransparent(theme, part, state) : false;
}

HRESULT UxDrawThemeParentBackground(HWND window, HDC dc, const TRect* r) {
  auto* l = Entry("DrawThemeParentBackground");
  if (!l) return E_NOTIMPL;
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  HRESULT result = l->DrawThemeParentBackground(window, dc, r);
  if (font) SelectObject(dc, font);
  return result;
}

HRESULT UxGetThemeColor(HTHEME theme, int part, int state, int propId, COLORREF& color) {
  auto* l = Entry("GetThemeColor");
  return l ? l->GetThemeColor(theme, part, state, propId, color) : E_NOTIMPL;
}

bool UxIsThemeActive() {
  auto* l = Entry("IsThemeActive");
  return l ? l->IsThemeActive() : false;
}

HRESULT UxGetCurrentThemeName(String& fileName, int fileMax, String& colorName, int colorMax, String& sizeName,
                              int sizeMax) {
  auto* l = Entry("GetCurrentThemeName");
  if (!l) return E_NOTIMPL;
  HRESULT r = l->GetCurrentThemeName(fileName, colorName, sizeName);
  auto cut = [](String& s, int max) {
    // A buffer of max characters holds max - 1 of them and the terminator.
    if (max <= 0) {
      s.clear();
      return;
    }
    Integer chars = 0;
    size_t i = 0;
    while (i < s.size() && chars < max - 1) {
      i += size_t(std::max<Integer>(1, CharByteLengthAt(s, Integer(i) + 1)));
      ++chars;
    }
    s.resize(std::min(i, s.size()));
  };
  cut(fileName, fileMax);
  cut(colorName, colorMax);
  cut(sizeName, sizeMax);
  return r;
}

// ---- scripted engine -----------------------------------------------------------------------

TdxScriptedThemeLibrary::TdxScriptedThemeLibrary() = default;

void TdxScriptedThemeLibrary::SetColor(const String& className, int part, int state, int propId, COLORREF color) {
  colors_[{UpperCase(className), part, state, propId}] = color;
}

void TdxScriptedThemeLibrary::SetPartSize(const String& className, int part, int state, TSize size) {
  sizes_[{UpperCase(className), part, state}] = size;
}

COLORREF TdxScriptedThemeLibrary::BackgroundColor(const String& className, int part, int state) {
  uint32_t h = 2166136261u;
  for (char c : UpperCase(className)) h = (h ^ Byte(c)) * 16777619u;
  h = (h ^ uint32_t(part)) * 16777619u;
  h = (h ^ uint32_t(state)) * 16777619u;
  return h & 0xFFFFFF;
}

String TdxScriptedThemeLibrary::ClassListOf(HTHEME theme) const {
  auto it = open_.find(theme);
  return it == open_.end() ? String() : it->second;
}

String TdxScriptedThemeLibrary::ClassOf(HTHEME theme) const {
  // The first name of the class list ("Button;Edit" -> "BUTTON").
  String list = ClassListOf(theme);
  size_t semi = list.find(';');
  return UpperCase(semi == String::npos ? list : list.substr(0, semi));
}

bool TdxScriptedThemeLibrary::HasEntry(const char* name) const { return !MissingEntries.count(name); }

HTHEME TdxScriptedThemeLibrary::OpenThemeData(HWND, const String& classList) {
  Log.push_back("Open " + classList);
  String first = classList.substr(0, classList.find(';'));
  if (classList.empty() || FailingClasses.count(UpperCase(first))) return 0;
  ++OpenCount;
  HTHEME h = next_++;
  open_[h] = classList;
  return h;
}

HRESULT TdxScriptedThemeLibrary::CloseThemeData(HTHEME theme) {
  Log.push_back("Close " + IntToStr(Integer(theme)));
  if (!open_.erase(theme)) return E_FAIL;
  ++CloseCount;
  return S_OK;
}

HRESULT TdxScriptedThemeLibrary::DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const TRect& r,
                                                     const TRect* clip) {
  if (!IsOpen(theme)) return E_FAIL;
  String cls = ClassOf(theme);
  Log.push_back("Background " + cls + " " + IntToStr(part) + " " + IntToStr(state));
  TRect area = r;
  if (clip) IntersectRect(&area, &r, clip);
  HBRUSH b = CreateSolidBrush(BackgroundColor(cls, part, state));
  FillRect(dc, &area, b);
  DeleteObject(b);
  return S_OK;
}

HRESULT TdxScriptedThemeLibrary::DrawThemeText(HTHEME theme, HDC dc, int part, int state, const String& text,
                                               int charCount, DWORD flags, DWORD, const TRect& r) {
  if (!IsOpen(theme)) return E_FAIL;
  Log.push_back("Text " + ClassOf(theme) + " " + IntToStr(part) + " " + IntToStr(state) + " " + text);
  TRect rr = r;
  int old = SetBkMode(dc, TRANSPARENT);
  DrawText(dc, text.data(), charCount < 0 ? int(text.size()) : charCount, &rr, flags);
  SetBkMode(dc, old);
  return S_OK;
}

HRESULT TdxScriptedThemeLibrary::GetThemeBackgroundContentRect(HTHEME theme, HDC, int, int, const TRect& bounds,
                                                               TRect& content) {
  if (!IsOpen(theme)) return E_FAIL;
  content = TRect(bounds.Left + ContentMargins.Left, bounds.Top + ContentMargins.Top,
                  bounds.Right - ContentMargins.Right, bounds.Bottom - ContentMargins.Bottom);
  return S_OK;
}

HRESULT TdxScriptedThemeLibrary::GetThemePartSize(HTHEME theme, HDC, int part, int state, const TRect*, THEMESIZE,
                                                  TSize& size) {
  if (!IsOpen(theme)) return E_FAIL;
  auto it = sizes_.find({ClassOf(theme), part, state});
  size = it == sizes_.end() ? TSize(13, 13) : it->second;
  return S_OK;
}

HRESULT TdxScriptedThemeLibrary::GetThemeBackgroundRegion(HTHEME theme, HDC, int, int, const TRect& r,
                                                          HRGN& region) {
  if (!IsOpen(theme)) return E_FAIL;
  region = CreateRectRgnIndirect(&r);
  return S_OK;
}

HRESULT TdxScriptedThemeLibrary::DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const TRect& dest,
                                               UINT edge, UINT flags, TRect* content) {
  if (!IsOpen(theme)) return E_FAIL;
  Log.push_back("Edge " + ClassOf(theme) + " " + IntToStr(part) + " " + IntToStr(state));
  TRect r = dest;
  DrawEdge(dc, &r, edge, flags | BF_ADJUST);
  if (content) *content = r;
  return S_OK;
}

bool TdxScriptedThemeLibrary::IsThemeBackgroundPartiallyTransparent(HTHEME, int, int) { return PartiallyTransparent; }

HRESULT TdxScriptedThemeLibrary::DrawThemeParentBackground(HWND, HDC, const TRect*) {
  Log.push_back("ParentBackground");
  return S_OK;
}

HRESULT TdxScriptedThemeLibrary::GetThemeColor(HTHEME theme, int part, int state, int propId, COLORREF& color) {
  if (!IsOpen(theme)) return E_FAIL;
  auto it = colors_.find({ClassOf(theme), part, state, propId});
  if (it == colors_.end()) return E_FAIL;
  color = it->second;
  return S_OK;
}

HRESULT TdxScriptedThemeLibrary::GetCurrentThemeName(String& fileName, String& colorName, String& sizeName) {
  if (FAILED(ThemeNameResult)) return ThemeNameResult;
  fileName = FileName;
  colorName = ColorName;
  sizeName = SizeName;
  return S_OK;
}
