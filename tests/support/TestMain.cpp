// The main of every test program: fixes the locale, runs the tests, then the unit ends, as the
// program would.
#include <gtest/gtest.h>

#include "rtl/SysUtils.h"
#include "rtl/System.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Tests never depend on the machine's locale: English (United States) formats and order.
  FormatSettings = TFormatSettings::EnglishUS();
  SetCollationLocale("en_US");
  int result = RUN_ALL_TESTS();
  FinalizeUnits();
  return result;
}
