// Helpers shared by the test programs.
#pragma once

#include <string>

namespace testing_support {
// The directory where tests write PNG sheets for inspection (created on demand).
std::string SheetPath(const std::string& file_name);
// The path of a file in tests/fixtures.
std::string FixturePath(const std::string& file_name);
}  // namespace testing_support
