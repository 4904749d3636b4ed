// UTF-16 conversion, display widths and CreateDir.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "rtl/SysUtils.h"

namespace {

TEST(SysUtilsUnicode, Utf8AndUtf16RoundTrip) {
  struct Case {
    String utf8;
    WideString utf16;
  };
  const Case cases[] = {
      {"", u""},
      {"abc", u"abc"},
      {"日本語", u"日本語"},
      {"€ and ü", u"€ and ü"},
      {"\xF0\x9F\x98\x80", WideString{char16_t(0xD83D), char16_t(0xDE00)}},  // a surrogate pair
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UTF8Decode(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(UTF8Encode(c.utf16), c.utf8) << c.utf8;
  }
  // Broken input becomes U+FFFD instead of being lost or split.
  EXPECT_EQ(UTF8Decode("a\xFF" "b"), (WideString{u'a', char16_t(0xFFFD), u'b'}));
  EXPECT_EQ(UTF8Encode(WideString{u'x', char16_t(0xD800)}), "x\xEF\xBF\xBD");
  EXPECT_EQ(UTF8Encode(WideString{char16_t(0xDC00), u'y'}), "\xEF\xBF\xBDy");
}

TEST(SysUtilsUnicode, DisplayWidthCountsFullWidthCharactersTwice) {
  struct Case {
    String text;
    Integer width;
  };
  const Case cases[] = {
      {"", 0},          {"abc", 3},         {"日本", 4},         {"ＡＢ", 4},  // full-width Latin
      {"ｶﾅ", 2},        {"é", 1},           {"e\xCC\x81", 1},    // e with a combining accent
      {"한국", 4},      {"a\xE2\x80\x8B" "b", 2},                  // a zero-width space between
  };
  for (const Case& c : cases) EXPECT_EQ(TextDisplayWidth(c.text), c.width) << c.text;
}

TEST(SysUtilsUnicode, CreateDirMakesOneLevel) {
  String base = (std::filesystem::temp_directory_path() / "korvan_createdir_XXXXXX").string();
  ASSERT_NE(mkdtemp(base.data()), nullptr);
  EXPECT_TRUE(CreateDir(base + "/a"));
  EXPECT_TRUE(DirectoryExists(base + "/a"));
  EXPECT_FALSE(CreateDir(base + "/a"));       // exists already
  EXPECT_FALSE(CreateDir(base + "/b/c"));     // the parent is missing
  EXPECT_FALSE(CreateDir(""));
  std::filesystem::remove_all(base);
}

}  // namespace
