#include "tests/support/TestSupport.h"

#include <filesystem>

#ifndef KORVAN_SHEETS
#define KORVAN_SHEETS "sheets"
#endif
#ifndef KORVAN_FIXTURES
#define KORVAN_FIXTURES "tests/fixtures"
#endif

namespace testing_support {
std::string SheetPath(const std::string& file_name) {
  std::filesystem::create_directories(KORVAN_SHEETS);
  return std::string(KORVAN_SHEETS) + "/" + file_name;
}
std::string FixturePath(const std::string& file_name) {
  return std::string(KORVAN_FIXTURES) + "/" + file_name;
}
}  // namespace testing_support
