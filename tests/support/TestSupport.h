// Helpers shared by the test programs.
#pragma once

#include <cstddef>
#include <string>

namespace testing_support {
// The directory where tests write PNG sheets for inspection (created on demand).
std::string SheetPath(const std::string& file_name);
// The path of a file in tests/fixtures.
std::string FixturePath(const std::string& file_name);
// The path of one of the program's sample files (samples/ at the top of the sources).
std::string SamplePath(const std::string& file_name);
// Bytes as upper-case hexadecimal pairs separated by spaces ("0A FF").
std::string HexBytes(const void* data, std::size_t size);
}  // namespace testing_support
