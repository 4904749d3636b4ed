// Helpers of the painter tests: the painter unit started, classic system colours, the five
// painter classes by name, and an installed scripted theme engine.
#pragma once

#include <gtest/gtest.h>

#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxUxTheme.h"
#include "tests/foundation/cxGraphicsTestUtil.h"

namespace paintertest {

using cxtest::Rgb;
using cxtest::TPaintTarget;

inline constexpr COLORREF kWhite = 0xFFFFFF;

inline const TcxCustomLookAndFeelPainter* Standard() { return TcxStandardLookAndFeelPainter::Class(); }
inline const TcxCustomLookAndFeelPainter* Flat() { return TcxFlatLookAndFeelPainter::Class(); }
inline const TcxCustomLookAndFeelPainter* UltraFlat() { return TcxUltraFlatLookAndFeelPainter::Class(); }
inline const TcxCustomLookAndFeelPainter* Office11() { return TcxOffice11LookAndFeelPainter::Class(); }
inline const TcxCustomLookAndFeelPainter* Native() { return TcxWinXPLookAndFeelPainter::Class(); }

// The painter unit started, classic colours, no theme engine.
class PainterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSysColors();
    InstallThemeLibrary(nullptr);
    InitializeCxLookAndFeelPainters();
    RebuildOffice11Colors();
  }
  void TearDown() override {
    ResetSysColors();
    RebuildOffice11Colors();
  }
};

// The same with the scripted theme engine installed (a Luna-like theme in its normal colour).
class ThemedPainterTest : public PainterTest {
 protected:
  void SetUp() override {
    PainterTest::SetUp();
    InstallThemeLibrary(&engine);
    RebuildOffice11Colors();
    engine.Log.clear();
  }
  void TearDown() override {
    InstallThemeLibrary(nullptr);
    PainterTest::TearDown();
  }
  // Log lines that start with prefix.
  std::vector<String> LogOf(const String& prefix) const {
    std::vector<String> out;
    for (const String& l : engine.Log)
      if (l.compare(0, prefix.size(), prefix) == 0) out.push_back(l);
    return out;
  }
  COLORREF PartColor(const String& cls, int part, int state) const {
    return TdxScriptedThemeLibrary::BackgroundColor(cls, part, state) & 0xFFFFFF;
  }
  TdxScriptedThemeLibrary engine;
};

}  // namespace paintertest
