// The main of every test program: runs the tests, then the unit ends, as the program would.
#include <gtest/gtest.h>

#include "rtl/System.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  int result = RUN_ALL_TESTS();
  FinalizeUnits();
  return result;
}
