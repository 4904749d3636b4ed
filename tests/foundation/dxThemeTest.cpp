// The theme layer without a library and with the scripted engine; the Office11 colours.
#include <gtest/gtest.h>

#include "foundation/cxGraphics.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxThemeManager.h"
#include "tests/foundation/cxGraphicsTestUtil.h"
#include "tests/support/HeadlessFixture.h"

using cxtest::Rgb;
using cxtest::TPaintTarget;

namespace {
// Installs a scripted library for the test and removes it afterwards.
class ThemeTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeDxThemeManager();
  }
  void TearDown() override {
    InstallThemeLibrary(nullptr);
    THeadlessFixture::TearDown();
  }
  TdxScriptedThemeLibrary lib;
};
}  // namespace

TEST_F(ThemeTest, WithoutALibraryNothingIsAvailable) {
  InstallThemeLibrary(nullptr);
  EXPECT_FALSE(ThemeLibraryLoaded());
  EXPECT_FALSE(AreThemesAvailable());
  for (int c = 0; c < dxThemeClassCount; ++c) EXPECT_EQ(OpenThemeCached(TdxThemeClass(c)), 0u);
  EXPECT_EQ(CloseThemeClass(tcButton), 1);
  EXPECT_FALSE(UsesLunaOrRoyaleTheme());
  EXPECT_EQ(ThemeChangedReceiverWindow(), nullptr);
  // Forwarders answer failures.
  COLORREF c = 0;
  EXPECT_TRUE(FAILED(UxGetThemeColor(1, 1, 1, 3801, c)));
  EXPECT_EQ(UxOpenThemeData(nullptr, "Button"), 0u);
  // A notificator made now is told nothing and frees cleanly.
  TdxThemeChangedNotificator n;
}

TEST_F(ThemeTest, OlderSystemOrInactiveThemesLeaveThemesUnavailable) {
  lib.OSMinor = 0;  // version 5.0
  InstallThemeLibrary(&lib);
  EXPECT_FALSE(RunningOnXPOrLater());
  EXPECT_FALSE(ThemeLibraryLoaded());
  lib.OSMinor = 1;
  lib.Active = false;
  InstallThemeLibrary(&lib);
  EXPECT_TRUE(ThemeLibraryLoaded());
  EXPECT_FALSE(ThemesActive());
  EXPECT_FALSE(AreThemesAvailable());
  EXPECT_EQ(OpenThemeCached(tcHeader), 0u);
  EXPECT_EQ(lib.OpenCount, 0);
}

TEST_F(ThemeTest, HandlesAreCachedByClassList) {
  InstallThemeLibrary(&lib);
  ASSERT_TRUE(AreThemesAvailable());
  HTHEME h = OpenThemeCached(tcButton);
  ASSERT_NE(h, 0u);
  EXPECT_EQ(lib.ClassListOf(h), "Button");
  EXPECT_EQ(OpenThemeCached(tcButton), h);
  EXPECT_EQ(OpenThemeCached(tcButton, "button"), h);  // case ignored
  EXPECT_EQ(lib.OpenCount, 1);
  HTHEME other = OpenThemeCached(tcButton, "Explorer::Button");
  EXPECT_NE(other, h);
  EXPECT_FALSE(lib.IsOpen(h));
  EXPECT_EQ(ThemeCacheEntry(tcButton).ClassList, "Explorer::Button");
  // A nil list now reopens nothing: the handle is reused with its list.
  EXPECT_EQ(OpenThemeCached(tcButton), other);

  // A class that cannot be opened stays empty and is tried again next time.
  lib.FailingClasses.insert("EDIT");
  EXPECT_EQ(OpenThemeCached(tcEdit), 0u);
  EXPECT_EQ(ThemeCacheEntry(tcEdit).ClassList, "");
  lib.FailingClasses.clear();
  EXPECT_NE(OpenThemeCached(tcEdit), 0u);

  EXPECT_EQ(CloseThemeClass(tcTab), 0);  // never opened
  EXPECT_EQ(CloseThemeClass(tcEdit), S_OK);
  EXPECT_EQ(ThemeCacheEntry(tcEdit).Handle, 0u);
}

TEST_F(ThemeTest, AvailabilityOfClassSetsStopsAtTheFirstFailure) {
  InstallThemeLibrary(&lib);
  lib.FailingClasses.insert("HEADER");
  lib.Log.clear();
  EXPECT_FALSE(AreThemesAvailable(TdxThemeClasses{tcButton, tcHeader, tcWindow}));
  EXPECT_EQ(lib.Log, (std::vector<String>{"Open Button", "Open Header"}));
  EXPECT_TRUE(AreThemesAvailable(TdxThemeClasses{tcButton, tcWindow}));
  EXPECT_FALSE(IsThemeClassAvailable(tcHeader));
  EXPECT_TRUE(IsThemeClassAvailable(tcWindow));
}

TEST_F(ThemeTest, ThemeChangeTellsNotificatorsInOrderAndReopensWithTheListsUsed) {
  InstallThemeLibrary(&lib);
  HTHEME h = OpenThemeCached(tcButton, "Explorer::Button");
  std::vector<int> calls;
  auto* first = new TdxThemeChangedNotificator();
  TdxThemeChangedNotificator second, third;
  // The first frees itself while it is told: the second is not skipped.
  first->OnThemeChanged = [&] {
    calls.push_back(1);
    delete first;
  };
  second.OnThemeChanged = [&] { calls.push_back(2); };
  third.OnThemeChanged = [&] { calls.push_back(3); };
  lib.Active = false;
  SendMessage(ThemeChangedReceiverWindow(), WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(calls, (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(ThemesActive());
  EXPECT_FALSE(lib.IsOpen(h));
  EXPECT_EQ(ThemeCacheEntry(tcButton).Handle, 0u);
  EXPECT_EQ(ThemeCacheEntry(tcButton).ClassList, "Explorer::Button");
  lib.Active = true;
  calls.clear();
  BroadcastSystemChange(WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(calls, (std::vector<int>{2, 3}));
  HTHEME again = OpenThemeCached(tcButton);
  EXPECT_NE(again, 0u);
  EXPECT_NE(again, h);
  EXPECT_EQ(lib.ClassListOf(again), "Explorer::Button");
}

TEST_F(ThemeTest, ThemeNamesAndMissingEntries) {
  struct Case {
    String file, color;
    bool lunaOrRoyale;
    Byte scheme;
  };
  const Case cases[] = {
      {"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", "NormalColor", true, 1},
      {"C:\\Themes\\ROYALE.MSSTYLES", "NormalColor", true, 1},
      {"/themes/luna.msstyles", "homestead", true, 2},
      {"Luna.msstyles", "Metallic", true, 3},
      {"Luna.msstyles", "Ocean", true, 0},
      {"C:\\Themes\\Aero.msstyles", "NormalColor", false, 0},
  };
  for (const Case& c : cases) {
    lib.FileName = c.file;
    lib.ColorName = c.color;
    InstallThemeLibrary(&lib);
    EXPECT_EQ(UsesLunaOrRoyaleTheme(), c.lunaOrRoyale) << c.file;
    EXPECT_EQ(DetectOffice11Scheme(), c.scheme) << c.file << " " << c.color;
  }
  lib.ThemeNameResult = E_FAIL;
  InstallThemeLibrary(&lib);
  EXPECT_FALSE(UsesLunaOrRoyaleTheme());
  EXPECT_EQ(DetectOffice11Scheme(), 0);

  // An older library without an entry: its forwarder fails, nothing else does.
  lib.ThemeNameResult = S_OK;
  lib.MissingEntries = {"GetThemeColor", "DrawThemeParentBackground"};
  InstallThemeLibrary(&lib);
  HTHEME h = OpenThemeCached(tcComboBox);
  ASSERT_NE(h, 0u);
  lib.SetColor("ComboBox", 1, 1, 3801, RGB(1, 2, 3));
  COLORREF c = 0;
  EXPECT_EQ(UxGetThemeColor(h, 1, 1, 3801, c), E_NOTIMPL);
  TPaintTarget t(10, 10);
  EXPECT_EQ(UxDrawThemeParentBackground(nullptr, t.canvas->DeviceContext(), nullptr), E_NOTIMPL);
  EXPECT_FALSE(ThemeEntryBound("GetThemeColor"));
  EXPECT_TRUE(ThemeEntryBound("OpenThemeData"));
  // Names are cut to the buffer.
  lib.FileName = "Luna.msstyles";
  String file, color, size;
  UxGetCurrentThemeName(file, 5, color, 1024, size, 1);
  EXPECT_EQ(file, "Luna");
  EXPECT_EQ(size, "");
}

TEST_F(ThemeTest, ScriptedEngineDrawsThroughTheForwarders) {
  InstallThemeLibrary(&lib);
  HTHEME h = OpenThemeCached(tcButton);
  TPaintTarget t(20, 20, clWhite);
  HDC dc = t.canvas->DeviceContext();
  EXPECT_EQ(UxDrawThemeBackground(h, dc, 1, 2, TRect(0, 0, 10, 10), TRect(0, 0, 5, 5)), S_OK);
  EXPECT_EQ(t.InkBounds(0xFFFFFF), TRect(0, 0, 5, 5));
  EXPECT_EQ(t.Px(0, 0), TdxScriptedThemeLibrary::BackgroundColor("Button", 1, 2));
  TRect content;
  EXPECT_EQ(UxGetThemeBackgroundContentRect(h, dc, 1, 1, TRect(0, 0, 20, 10), content), S_OK);
  EXPECT_EQ(content, TRect(2, 2, 18, 8));
  lib.SetPartSize("Button", 3, 1, TSize(15, 14));
  TSize sz;
  EXPECT_EQ(UxGetThemePartSizeNoRect(h, dc, 3, 1, TS_TRUE, sz), S_OK);
  EXPECT_EQ(sz, TSize(15, 14));
  // The DC's font is selected again after a parent background.
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  EXPECT_EQ(UxDrawThemeParentBackground(nullptr, dc, nullptr), S_OK);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
}

// ---- Office11 colours -------------------------------------------------------------------

TEST_F(ThemeTest, Office11ColoursFollowTheSchemeOrTheSystemColours) {
  InstallThemeLibrary(&lib);  // Luna, NormalColor
  AcquireOffice11Colors();
  RebuildOffice11Colors();  // the set may be held already, computed before the library came
  EXPECT_EQ(Office11SchemeIndex(), 1);
  EXPECT_TRUE(Office11SchemeColorsInUse());
  EXPECT_EQ(COLORREF(Office11LightFaceColor), RGB(221, 236, 254));
  EXPECT_EQ(COLORREF(Office11HighlightFrameColor), RGB(0, 0, 128));
  EXPECT_EQ(COLORREF(Office11GroupLineColor), RGB(123, 164, 224));
  EXPECT_EQ(COLORREF(Office11ShadowFaceColor), COLORREF(Office11FilterBoxColor));
  EXPECT_EQ(COLORREF(Office11GroupByBoxColor), RGB(62, 109, 185));  // half of entries 4 and 11
  lib.ColorName = "Metallic";
  RebuildOffice11Colors();
  EXPECT_EQ(COLORREF(Office11DarkFaceColor), RGB(153, 151, 181));

  InstallThemeLibrary(nullptr);
  RebuildOffice11Colors();
  EXPECT_EQ(Office11SchemeIndex(), 0);
  EXPECT_FALSE(Office11SchemeColorsInUse());
  EXPECT_EQ(COLORREF(Office11FaceColor), Rgb(clBtnFace));
  EXPECT_EQ(Office11LightFaceColor, MixColorsByPercent(clBtnFace, clWindow, 22));
  EXPECT_EQ(Office11DarkFaceAltColor, Office11DarkFaceColor);
  EXPECT_EQ(COLORREF(Office11HeaderLightLineColor), RGB(255, 255, 255));
  EXPECT_EQ(Office11HotFaceDarkColor, Office11HotFaceColor);
  EXPECT_EQ(COLORREF(Office11HotFaceColor), COLORREF(HotTrackBlendColor()));
  ReleaseOffice11ColorSet();
}

TEST_F(ThemeTest, ColourSetLivesWhileHeld) {
  Integer base = Office11ColorSetUseCount();
  AcquireOffice11Colors();
  AcquireOffice11Colors();
  ASSERT_NE(Office11GripDotBrush(), nullptr);
  ASSERT_NE(Office11ExpandedGlyph(), nullptr);
  RebuildOffice11Colors();
  EXPECT_NE(Office11HighlightFrameBrush(), nullptr);
  ReleaseOffice11ColorSet();
  EXPECT_NE(Office11GripDotBrush(), nullptr);
  ReleaseOffice11ColorSet();
  EXPECT_EQ(Office11ColorSetUseCount(), base);
  if (base == 0) {
    EXPECT_EQ(Office11GripDotBrush(), nullptr);
    EXPECT_EQ(Office11ExpandedGlyph(), nullptr);
    ReleaseOffice11ColorSet();  // more releases than acquires change nothing
    EXPECT_EQ(Office11ColorSetUseCount(), 0);
  }
}

TEST(dxOffice11, ColourArithmetic) {
  EXPECT_EQ(COLORREF(MixColorsByPercent(clWhite, clBlack, 25)), RGB(64, 64, 64));
  EXPECT_EQ(COLORREF(MixColorsByPercent(TColor(RGB(200, 0, 100)), TColor(RGB(0, 200, 50)), 50)), RGB(100, 100, 75));
  EXPECT_EQ(COLORREF(MixColorsByPercent(clRed, clBlue, 100)), Rgb(clRed));
  EXPECT_EQ(COLORREF(ScaleColorByPercent(TColor(RGB(200, 101, 3)), 50)), RGB(100, 51, 2));
  EXPECT_EQ(COLORREF(ScaleColorByPercent(clWhite, 0)), 0u);
}

TEST(dxOffice11, GradientBands) {
  struct Case {
    TRect r;
    bool horizontal;
    int bands;
  };
  const Case cases[] = {
      {TRect(0, 0, 600, 2), true, 256},
      {TRect(0, 0, 10, 3), true, 10},
      {TRect(0, 0, 3, 300), false, 256},
      {TRect(0, 0, 3, 7), false, 7},
  };
  // Red runs 0..255, so every band has a colour of its own.
  const COLORREF c1 = RGB(0, 200, 30), c2 = RGB(255, 0, 130);
  for (const Case& c : cases) {
    TPaintTarget t(c.r.Right, c.r.Bottom, clWhite);
    FillGradientRect(t.canvas->DeviceContext(), c.r, TColor(c1), TColor(c2), c.horizontal);
    int n = c.horizontal ? c.r.Width() : c.r.Height();
    int runs = 0;
    COLORREF last = 0xFFFFFFFF;
    for (int i = 0; i < n; ++i) {
      COLORREF p = c.horizontal ? t.Px(i, 1) : t.Px(1, i);
      if (p != last) ++runs;
      last = p;
    }
    EXPECT_EQ(runs, c.bands) << n;
    EXPECT_EQ(c.horizontal ? t.Px(0, 0) : t.Px(0, 0), c1);
    EXPECT_EQ(c.horizontal ? t.Px(n - 1, 0) : t.Px(0, n - 1), c2);
  }
  // One pixel high, vertical: the first colour; an empty rect: nothing.
  TPaintTarget t(5, 3, clWhite);
  FillGradientRect(t.canvas->DeviceContext(), TRect(0, 0, 5, 1), TColor(c1), TColor(c2), false);
  EXPECT_EQ(t.Px(4, 0), c1);
  FillGradientRect(t.canvas->DeviceContext(), TRect(0, 1, 0, 3), TColor(c1), TColor(c2), true);
  EXPECT_EQ(t.InkBounds(0xFFFFFF), TRect(0, 0, 5, 1));
}

TEST_F(ThemeTest, HighlightFrameGripDotsAndExpandGlyphs) {
  AcquireOffice11Colors();
  TPaintTarget t(40, 40, clWhite);
  HDC dc = t.canvas->DeviceContext();
  FrameOffice11HighlightRect(dc, TRect(0, 0, 10, 10));
  EXPECT_EQ(t.Px(0, 5), COLORREF(Office11HighlightFrameColor));
  const int idx[] = {COLOR_BTNFACE};
  const COLORREF black[] = {0};
  SetSysColors(1, idx, black);
  EXPECT_TRUE(ButtonFaceIsBlack());
  FrameOffice11HighlightRect(dc, TRect(0, 0, 10, 10));
  EXPECT_EQ(t.Px(0, 5), Rgb(clHighlightText));
  ResetSysColors();

  // Dots: rows of 3, 2 and 1 in the bottom-right corner; each dot a 2 x 2 dark square with
  // its highlight one pixel right and below.
  const COLORREF bg = RGB(1, 2, 3);
  TPaintTarget g(40, 40, TColor(bg));
  DrawGripDots(g.canvas->DeviceContext(), TRect(0, 0, 40, 40));
  int dark = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      if (g.Px(x, y) == COLORREF(Office11GripDotColor)) ++dark;
  EXPECT_EQ(dark, 6 * 4);  // six dots; the dark square is drawn over its highlight
  EXPECT_EQ(g.Px(28, 37), COLORREF(Office11GripDotColor));
  EXPECT_EQ(g.Px(29, 38), COLORREF(Office11GripDotColor));
  EXPECT_EQ(g.Px(30, 39), COLORREF(Office11GripDotHighlightColor));
  EXPECT_EQ(g.Px(36, 29), COLORREF(Office11GripDotColor));
  EXPECT_EQ(g.InkBounds(bg), TRect(28, 29, 39, 40));

  TBitmap* minus = Office11ExpandedGlyph();
  TBitmap* plus = Office11CollapsedGlyph();
  ASSERT_EQ(minus->Width(), 11);
  auto px = [](TBitmap* b, int x, int y) { return PixelToColorRef(static_cast<uint32_t*>(b->ScanLine(y))[x]) & 0xFFFFFF; };
  for (int i = 3; i <= 7; ++i) {
    EXPECT_EQ(px(minus, i, 5), RGB(48, 72, 96));
    EXPECT_EQ(px(plus, 5, i), RGB(48, 72, 96));
  }
  EXPECT_NE(px(minus, 5, 3), RGB(48, 72, 96));
  // (The corner pixels belong to the painter, which blends them into what lies below.)
  EXPECT_EQ(px(minus, 10, 5), RGB(48, 72, 96));
  EXPECT_EQ(px(plus, 5, 10), RGB(48, 72, 96));
  EXPECT_EQ(GetBValue(px(minus, 0, 5)), 192);
  EXPECT_EQ(px(minus, 1, 1), RGB(255, 255, 255));
  ReleaseOffice11ColorSet();
}
