// Strings, comparison, integers, UTF-8 stepping, quoting, lists, file names and locale settings.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(Strings, TrimAndAsciiCase) {
  EXPECT_EQ(Trim("\t a b \r\n"), "a b");
  EXPECT_EQ(Trim(String(" \0x\0 ", 5)), "x");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(Trim("\u3000a"), "\u3000a");  // only control characters and space
  EXPECT_EQ(UpperCase("abc\u00e9z"), "ABC\u00e9Z");
  EXPECT_EQ(LowerCase("ABC\u00c9Z"), "abc\u00c9z");
}

TEST(Strings, UnicodeCaseMapping) {
  const struct {
    const char* text;
    const char* upper;
    const char* lower;
  } cases[] = {
      {"\u00e9t\u00e9", "\u00c9T\u00c9", "\u00e9t\u00e9"},
      {"stra\u00dfe", "STRASSE", "stra\u00dfe"},
      {"\u0391\u03b2\u03b3", "\u0391\u0392\u0393", "\u03b1\u03b2\u03b3"},
      {"\uff41\uff22", "\uff21\uff22", "\uff41\uff42"},  // full-width letters
      {"\u65e5\u672c\u8a9e", "\u65e5\u672c\u8a9e", "\u65e5\u672c\u8a9e"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AnsiUpperCase(c.text), c.upper) << c.text;
    EXPECT_EQ(AnsiLowerCase(c.text), c.lower) << c.text;
  }
}

int SignOf(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

TEST(Strings, OrdinalComparison) {
  const struct {
    const char* a;
    const char* b;
    int str, text;
  } cases[] = {
      {"abc", "abc", 0, 0},   {"abc", "ABC", 1, 0},     {"a", "ab", -1, -1},
      {"B", "a", -1, 1},      {"_", "a", -1, 1},  // "_" sorts after the upper-cased "A"       {"Z", "a", -1, 1},
      {"\u00e9", "z", 1, 1},  {"\u00e9", "\u00c9", 1, 1}, {"", "", 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SignOf(CompareStr(c.a, c.b)), c.str) << c.a << " " << c.b;
    EXPECT_EQ(SignOf(CompareText(c.a, c.b)), c.text) << c.a << " " << c.b;
    EXPECT_EQ(SameText(c.a, c.b), c.text == 0);
    EXPECT_EQ(SameStr(c.a, c.b), c.str == 0);
  }
}

TEST(Strings, LocaleAwareComparison) {
  // The test main sets the collation locale to English (United States).
  const struct {
    const char* a;
    const char* b;
    int with_case, without_case;
  } cases[] = {
      {"apple", "Banana", -1, -1},         // letters before case
      {"a", "A", -1, 0},                   // lower case first, equal without case
      {"resume", "r\u00e9sum\u00e9", -1, -1},  // accents count, after the base letters
      {"R\u00e9sum\u00e9", "r\u00e9sum\u00e9", 1, 0},
      {"\u00e9", "f", -1, -1},             // an accented e sorts with e, not after z
      {"item2", "item10", 1, 1},           // no numeric ordering
      {"", "a", -1, -1},
      {"same", "same", 0, 0},
      {"\uff21", "A", 1, 1},          // full width is not case
      {"\u3042", "\u30a2", -1, -1},    // hiragana and katakana differ
      {"STRASSE", "stra\u00dfe", -1, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AnsiCompareStr(c.a, c.b), c.with_case) << c.a << " " << c.b;
    EXPECT_EQ(AnsiCompareStr(c.b, c.a), -c.with_case) << c.b << " " << c.a;
    EXPECT_EQ(AnsiCompareText(c.a, c.b), c.without_case) << c.a << " " << c.b;
    EXPECT_EQ(AnsiSameText(c.a, c.b), c.without_case == 0);
    EXPECT_EQ(AnsiSameStr(c.a, c.b), c.with_case == 0);
  }
  // Texts that collate alike but differ still get a strict order, so sorting is stable.
  EXPECT_NE(AnsiCompareStr(String("a\x01", 2), "a"), 0);
  EXPECT_EQ(CollationLocale(), "en_US");
}

TEST(Strings, PosAndCopyCountFromOne) {
  EXPECT_EQ(Pos("b", "abcb"), 2);
  EXPECT_EQ(Pos("abc", "abc"), 1);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
  const struct {
    int index, count;
    const char* expected;
  } cases[] = {{1, 2, "ab"}, {2, 100, "bcd"}, {0, 2, "ab"}, {-5, 1, "a"}, {4, 1, "d"}, {5, 1, ""}, {2, 0, ""}, {2, -1, ""}};
  for (const auto& c : cases) EXPECT_EQ(Copy("abcd", c.index, c.count), c.expected) << c.index << "," << c.count;
  EXPECT_EQ(Copy("abcd", 3), "cd");
  EXPECT_EQ(Copy("abcd", 9), "");
}

TEST(Strings, StringReplace) {
  const struct {
    const char* s;
    const char* from;
    const char* to;
    TReplaceFlags flags;
    const char* expected;
  } cases[] = {
      {"a-b-c", "-", "+", {}, "a+b-c"},
      {"a-b-c", "-", "+", {rfReplaceAll}, "a+b+c"},
      {"aaa", "aa", "b", {rfReplaceAll}, "ba"},
      {"Caption (Sum)", "(Sum)", "", {}, "Caption "},
      {"Abc aBC", "abc", "x", {rfReplaceAll}, "Abc aBC"},
      {"Abc aBC", "abc", "x", {rfReplaceAll, rfIgnoreCase}, "x x"},
      {"Abc aBC", "abc", "x", {rfIgnoreCase}, "x aBC"},
      {"\u00c9t\u00e9 \u00e9T\u00c9", "\u00e9t\u00e9", "summer", {rfReplaceAll, rfIgnoreCase}, "summer summer"},
      {"\u65e5\u672c\u65e5", "\u65e5", "x", {rfReplaceAll}, "x\u672cx"},
      {"abc", "", "x", {rfReplaceAll}, "abc"},
  };
  for (const auto& c : cases) EXPECT_EQ(StringReplace(c.s, c.from, c.to, c.flags), c.expected) << c.s;
}

TEST(Utf8, SteppingOverJapaneseText) {
  // "日本語a": three 3-byte characters, then one byte.
  const String s = "\u65e5\u672c\u8a9ea";
  ASSERT_EQ(s.size(), 10u);
  EXPECT_EQ(CharCount(s), 4);
  EXPECT_EQ(ByteType(s, 1), mbLeadByte);
  EXPECT_EQ(ByteType(s, 2), mbTrailByte);
  EXPECT_EQ(ByteType(s, 3), mbTrailByte);
  EXPECT_EQ(ByteType(s, 4), mbLeadByte);
  EXPECT_EQ(ByteType(s, 10), mbSingleByte);
  EXPECT_EQ(CharLength(s, 1), 3);
  EXPECT_EQ(CharLength(s, 10), 1);
  EXPECT_EQ(CharLength(s, 11), 0);
  // Stepping forward and back visits the same boundaries.
  std::vector<int> forward, backward;
  for (int i = 1; i <= int(s.size()); i = NextCharIndex(s, i)) forward.push_back(i);
  for (int i = int(s.size()) + 1; i > 1;) {
    i = PrevCharIndex(s, i);
    backward.push_back(i);
  }
  std::reverse(backward.begin(), backward.end());
  EXPECT_EQ(forward, (std::vector<int>{1, 4, 7, 10}));
  EXPECT_EQ(backward, forward);
  // From the middle of a character, back goes to its start.
  EXPECT_EQ(PrevCharIndex(s, 6), 4);

  EXPECT_EQ(ElementToCharLen(s, 4), 2);  // byte 4 starts the second character
  EXPECT_EQ(ElementToCharLen(s, 3), 1);
  EXPECT_EQ(ElementToCharIndex(s, 5), 2);
  EXPECT_EQ(ElementToCharIndex(s, 11), 0);
  EXPECT_EQ(CharToElementLen(s, 2), 6);
  EXPECT_EQ(CharToElementIndex(s, 3), 7);
  EXPECT_EQ(CharToElementIndex(s, 5), 0);
  EXPECT_EQ(CopyChars(s, 2, 2), "\u672c\u8a9e");
  EXPECT_EQ(CopyChars(s, 4, 9), "a");
  EXPECT_EQ(CopyChars(s, 5, 1), "");
}

TEST(Utf8, InvalidBytesAreSingleCharacters) {
  const struct {
    String text;
    int chars;
    char32_t first;
    size_t first_len;
  } cases[] = {
      {String("\xff"), 1, 0xFFFD, 1},
      {String("\xe6\x97"), 2, 0xFFFD, 1},          // truncated sequence
      {String("\xc0\xaf"), 2, 0xFFFD, 1},          // overlong
      {String("\xed\xa0\x80"), 3, 0xFFFD, 1},      // surrogate
      {String("\x80" "b"), 2, 0xFFFD, 1},          // stray continuation byte
      {String("\xf0\x9f\x98\x80"), 1, 0x1F600, 4},  // a 4-byte character
      {String("\xe6\x97\xa5"), 1, 0x65E5, 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CharCount(c.text), c.chars);
    size_t offset = 0;
    EXPECT_EQ(DecodeUtf8(c.text, offset), c.first);
    EXPECT_EQ(offset, c.first_len);
    EXPECT_EQ(NextCharIndex(c.text, 1), Integer(c.first_len) + 1);
  }
  String out;
  for (char32_t cp : {char32_t('a'), char32_t(0xE9), char32_t(0x65E5), char32_t(0x1F600), char32_t(0xD800)}) AppendUtf8(out, cp);
  EXPECT_EQ(out, "a\u00e9\u65e5\U0001F600\uFFFD");
}

TEST(Integers, ToText) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(IntToStr(Word(65535)), "65535");
  EXPECT_EQ(IntToStr(4294967295u), "4294967295");
  EXPECT_EQ(IntToHex(255, 1), "FF");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(Int64(-1), 2), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(0, 0), "0");
}

TEST(Integers, FromText) {
  const struct {
    const char* text;
    bool ok32;
    Integer v32;
    bool ok64;
    Int64 v64;
  } cases[] = {
      {"12", true, 12, true, 12},
      {" 12", true, 12, true, 12},
      {"+5", true, 5, true, 5},
      {"-5", true, -5, true, -5},
      {"$FF", true, 255, true, 255},
      {"-$FF", true, -255, true, -255},
      {"0x1F", true, 31, true, 31},
      {"0X1f", true, 31, true, 31},
      {"2147483647", true, 2147483647, true, 2147483647},
      {"-2147483648", true, -2147483647 - 1, true, -2147483648LL},
      {"2147483648", false, 0, true, 2147483648LL},
      {"$FFFFFFFF", true, -1, true, 4294967295LL},
      {"$100000000", false, 0, true, 4294967296LL},
      {"9223372036854775807", false, 0, true, INT64_MAX},
      {"-9223372036854775808", false, 0, true, INT64_MIN},
      {"9223372036854775808", false, 0, false, 0},
      {"$FFFFFFFFFFFFFFFF", false, 0, true, -1},
      {"12 ", false, 0, false, 0},
      {"", false, 0, false, 0},
      {"-", false, 0, false, 0},
      {"$", false, 0, false, 0},
      {"1e3", false, 0, false, 0},
      {"1.0", false, 0, false, 0},
      {"- 3", false, 0, false, 0},
      {"abc", false, 0, false, 0},
      {"\uff11", false, 0, false, 0},  // a full-width digit
  };
  for (const auto& c : cases) {
    Integer v32 = 77;
    Int64 v64 = 77;
    EXPECT_EQ(TryStrToInt(c.text, v32), c.ok32) << c.text;
    EXPECT_EQ(TryStrToInt64(c.text, v64), c.ok64) << c.text;
    if (c.ok32) { EXPECT_EQ(v32, c.v32) << c.text; }
    else EXPECT_EQ(v32, 77) << c.text;
    if (c.ok64) { EXPECT_EQ(v64, c.v64) << c.text; }
    EXPECT_EQ(StrToIntDef(c.text, -9), c.ok32 ? c.v32 : -9) << c.text;
    EXPECT_EQ(StrToInt64Def(c.text, -9), c.ok64 ? c.v64 : -9) << c.text;
  }
  try {
    StrToInt("abc");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
  }
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
}

TEST(Quoting, QuoteAndUnquote) {
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(QuotedStr(""), "''");
  EXPECT_EQ(AnsiQuotedStr("say \"hi\"", '"'), "\"say \"\"hi\"\"\"");
  const struct {
    const char* text;
    const char* dequoted;
  } cases[] = {
      {"'ab''c'", "ab'c"},
      {"''", ""},
      {"'ab", "'ab"},      // not closed: kept
      {"ab'", "ab'"},      // not quoted: kept
      {"'ab'x", "'ab'x"},  // text after the closing quote: kept
      {"'", "'"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(AnsiDequotedStr(c.text, '\''), c.dequoted) << c.text;

  const char* text = "'a''b' rest";
  const char* p = text;
  EXPECT_EQ(AnsiExtractQuotedStr(p, '\''), "a'b");
  EXPECT_STREQ(p, " rest");
  p = text + 7;
  EXPECT_EQ(AnsiExtractQuotedStr(p, '\''), "");
  EXPECT_EQ(p, text + 7);
  const char* open = "'abc";
  p = open;
  EXPECT_EQ(AnsiExtractQuotedStr(p, '\''), "abc");
  EXPECT_EQ(*p, '\0');
}

TEST(Lists, SplitAndJoin) {
  EXPECT_EQ(SplitString("A; B;;C ;"), (std::vector<String>{"A", "B", "C"}));
  EXPECT_EQ(SplitString(""), std::vector<String>{});
  EXPECT_EQ(SplitString("x,y", ','), (std::vector<String>{"x", "y"}));
  EXPECT_EQ(SplitString("\u540d\u524d;\u4fa1\u683c"), (std::vector<String>{"\u540d\u524d", "\u4fa1\u683c"}));
  EXPECT_EQ(JoinStrings({"A", "B", "C"}), "A;B;C");
  EXPECT_EQ(JoinStrings({}), "");
  EXPECT_EQ(JoinStrings({"A", "B"}, ", "), "A, B");
}

TEST(Identifiers, IsValidIdent) {
  const struct {
    const char* text;
    bool plain, dotted;
  } cases[] = {
      {"cxGrid1", true, true}, {"_x", true, true},     {"1a", false, false}, {"", false, false},
      {"a b", false, false},   {"a.b", false, true},   {"a..b", false, false}, {".a", false, false},
      {"a.", false, false},    {"a.1", false, false},  {"\u00e9", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsValidIdent(c.text), c.plain) << c.text;
    EXPECT_EQ(IsValidIdent(c.text, true), c.dotted) << c.text;
  }
}

TEST(FileNames, Parts) {
  const struct {
    const char* path;
    const char* name;
    const char* path_part;
    const char* dir;
    const char* ext;
  } cases[] = {
      {"/data/sales.csv", "sales.csv", "/data/", "/data", ".csv"},
      {"sales.tar.gz", "sales.tar.gz", "", "", ".gz"},
      {"/data.d/readme", "readme", "/data.d/", "/data.d", ""},
      {"/home/u/.profile", ".profile", "/home/u/", "/home/u", ""},
      {"/a", "a", "/", "/", ""},
      {"dir/", "", "dir/", "dir", ""},
      {"name.", "name.", "", "", "."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractFileName(c.path), c.name) << c.path;
    EXPECT_EQ(ExtractFilePath(c.path), c.path_part) << c.path;
    EXPECT_EQ(ExtractFileDir(c.path), c.dir) << c.path;
    EXPECT_EQ(ExtractFileExt(c.path), c.ext) << c.path;
  }
  EXPECT_EQ(ChangeFileExt("/d/a.csv", ".html"), "/d/a.html");
  EXPECT_EQ(ChangeFileExt("/d.x/a", ".html"), "/d.x/a.html");
  EXPECT_EQ(ChangeFileExt("a.csv", ""), "a");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/d"), "/d/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/d/"), "/d/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/d/"), "/d");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
}

TEST(FileNames, Existence) {
  String dir = ExtractFilePath(testing_support::SheetPath("exists-probe.txt"));
  String file = dir + "exists-probe.txt";
  std::ofstream(file) << "x";
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(DirectoryExists(file));
  EXPECT_TRUE(DirectoryExists(dir));
  EXPECT_FALSE(FileExists(dir));
  EXPECT_FALSE(FileExists(file + ".missing"));
  EXPECT_FALSE(FileExists(""));
  unlink(file.c_str());
  EXPECT_FALSE(FileExists(file));
}

TEST(FormatSettings, FromIcuLocales) {
  const TFormatSettings us = TFormatSettings::FromLocale("en_US");
  EXPECT_EQ(us.DecimalSeparator, '.');
  EXPECT_EQ(us.ThousandSeparator, ',');
  EXPECT_EQ(us.DateSeparator, '/');
  EXPECT_EQ(us.CurrencyString, "$");
  EXPECT_EQ(us.CurrencyFormat, 0);
  EXPECT_EQ(us.ShortDateFormat, "M/d/yyyy");
  EXPECT_EQ(us.LongMonthNames[0], "January");
  EXPECT_EQ(us.ShortDayNames[0], "Sun");
  EXPECT_EQ(us.FirstDayOfWeek, 6);  // Sunday

  const TFormatSettings de = TFormatSettings::FromLocale("de_DE");
  EXPECT_EQ(de.DecimalSeparator, ',');
  EXPECT_EQ(de.ThousandSeparator, '.');
  EXPECT_EQ(de.DateSeparator, '.');
  EXPECT_EQ(de.ListSeparator, ';');
  EXPECT_EQ(de.CurrencyString, "\u20ac");
  EXPECT_EQ(de.CurrencyFormat, 3);  // "1 €"
  EXPECT_EQ(de.ShortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(de.LongDayNames[1], "Montag");
  EXPECT_EQ(de.FirstDayOfWeek, 0);  // Monday
  EXPECT_EQ(de.FirstWeekOfYear, 2);
  EXPECT_EQ(FormatFloat("#,##0.00", 9999999.5555, de), "9.999.999,56");

  const TFormatSettings ja = TFormatSettings::FromLocale("ja_JP");
  EXPECT_EQ(ja.ShortDateFormat, "yyyy/MM/dd");
  EXPECT_EQ(ja.TimeAMString, "\u5348\u524d");
  EXPECT_EQ(ja.LongDayNames[0], "\u65e5\u66dc\u65e5");
  EXPECT_EQ(ja.CurrencyDecimals, 0);
  EXPECT_EQ(FormatDateTime("dddddd", 45331, ja), "2024\u5e742\u67089\u65e5\u91d1\u66dc\u65e5");

  // A separator outside ASCII becomes its nearest ASCII character.
  EXPECT_EQ(TFormatSettings::FromLocale("fr_FR").ThousandSeparator, ' ');
  EXPECT_EQ(TFormatSettings::FromLocale("de_CH").ThousandSeparator, '\'');
}

}  // namespace
