#include "tests/support/TestSupport.h"

#include <cstdio>
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
std::string SamplePath(const std::string& file_name) {
  return (std::filesystem::path(KORVAN_FIXTURES).parent_path().parent_path() / "samples" / file_name).string();
}
std::string HexBytes(const void* data, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  std::string r;
  char buf[4];
  for (std::size_t i = 0; i < size; ++i) {
    std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", p[i]);
    r += buf;
  }
  return r;
}
}  // namespace testing_support
