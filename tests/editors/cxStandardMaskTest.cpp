// The standard edit mask: compiling masks with their sections, empty texts, fitting texts left
// to right and right to left, edit values with and without literals, and completeness.
#include "editors/cxStandardMask.h"

#include <random>

#include "tests/editors/EditorsTestSupport.h"

using editors_test::TLocaleFixture;

namespace {

class StandardMaskTest : public TLocaleFixture {};

String Fit(const String& mask, const String& text, bool checked = true, bool literals = true) {
  TcxStandardMask m;
  m.SetMask(mask);
  String result = text;
  m.FitText(result, checked, literals);
  return result;
}

TEST_F(StandardMaskTest, CompilesPositionsAndSections) {
  struct Case {
    const char* mask;
    Integer count;
    bool rtl, save;
    const char* empty;
    const char* emptyValue;
  } cases[] = {
      {"!999;0;*", 3, true, false, "***", "   "},
      {"\\0\\9", 2, false, true, "09", "09"},
      {"00/00", 5, false, true, "__/__", "  /  "},
      {"00/00;0", 5, false, false, "__/__", "    "},
      {"00:00;1; ", 5, false, true, "  :  ", "  :  "},
      {"00;0;_0", 7, false, true, "__;_;__", "  ; ;_ "},
      {"LlAaCc09#", 9, false, true, "_________", "         "},
      {"(999)", 5, false, true, "(___)", "(   )"},
      {"0\\", 1, false, true, "_", " "},
      {"", 0, false, true, "", ""},
  };
  for (const auto& c : cases) {
    TcxStandardMask m;
    m.SetMask(c.mask);
    EXPECT_EQ(m.Count(), c.count) << c.mask;
    EXPECT_EQ(m.RightToLeft(), c.rtl) << c.mask;
    EXPECT_EQ(m.SaveLiterals(), c.save) << c.mask;
    EXPECT_EQ(m.EmptyText(), c.empty) << c.mask;
    EXPECT_EQ(m.EmptyValueText(), c.emptyValue) << c.mask;
  }
  TcxStandardMask m;
  m.SetMask("00;0;_0");
  EXPECT_TRUE(m.IsLiteral(2));
  EXPECT_EQ(m.BlankChar(), U'_');
}

TEST_F(StandardMaskTest, SeparatorsAreTakenWhenTheMaskIsSet) {
  FormatSettings.DateSeparator = '.';
  FormatSettings.TimeSeparator = '-';
  TcxStandardMask m;
  m.SetMask("00/00 00:00");
  EXPECT_EQ(m.EmptyText(), "__.__ __-__");
}

TEST_F(StandardMaskTest, FitsTextsIntoThePositions) {
  struct Case {
    const char* mask;
    const char* text;
    bool checked, literals;
    const char* result;
  } cases[] = {
      {"00/00", "1234", true, true, "12/34"},
      {"00/00", "12/34", true, true, "12/34"},
      {"00/00", "1_/_4", true, true, "1_/_4"},
      {"00/00", "1 3", true, true, "1_/3_"},
      {"00/00", "123456", true, true, "12/34"},
      {"00/00;0", "1234", true, false, "12/34"},
      {"!000", "12", true, true, "_12"},
      {"!999;0;*", "5", true, true, "**5"},
      {">LL<ll", "abcd", true, true, "ABcd"},
      {">LL<ll", "abcd", false, true, "abcd"},
      {">L<>l", "aB", true, true, "AB"},
      {"LL", "a1b", true, true, "ab"},
      {"LL", "\xC3\xA9z", true, true, "z_"},
      {"CC", "\xE6\x97\xA5\xE6\x9C\xAC", true, true, "\xE6\x97\xA5\xE6\x9C\xAC"},
      {"##", "-1", true, true, "-1"},
      {"(999)", "12", true, true, "(12_)"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Fit(c.mask, c.text, c.checked, c.literals), c.result) << c.mask << " " << c.text;
}

TEST_F(StandardMaskTest, EditValuesAndCompleteness) {
  struct Case {
    const char* mask;
    const char* text;
    const char* value;
    bool complete;
  } cases[] = {
      {"00/00", "12/3_", "12/3 ", false},
      {"00/00;0;_", "12/3_", "123 ", false},
      {"00/00;0;_", "12/34", "1234", true},
      {"9", "_", " ", true},
      {"9", " ", " ", true},
      {"0", "_", " ", false},
      {"00/00", "12/3", "12/3", false},
      {">LL", "ab", "ab", true},
  };
  for (const auto& c : cases) {
    TcxStandardMask m;
    m.SetMask(c.mask);
    String value = c.text;
    m.ValueText(value);
    EXPECT_EQ(value, c.value) << c.mask << " " << c.text;
    String text = c.text;
    EXPECT_EQ(m.IsComplete(text), c.complete) << c.mask << " " << c.text;
  }
  TcxStandardMask m;
  m.SetMask(">LL");
  String text = "ab";
  EXPECT_TRUE(m.IsComplete(text));
  EXPECT_EQ(text, "AB");
}

// Random masks and texts (with invalid bytes): no crash, and every fitted text has one
// character per position.
TEST_F(StandardMaskTest, BoundedFuzz) {
  std::mt19937 random(38);
  const String alphabet = "LlAaCc09#<>\\:/;!_ 1x";
  for (int round = 0; round < 3000; ++round) {
    String mask, text;
    for (int i = int(random() % 16); i > 0; --i)
      mask += round % 4 == 0 ? char(random() % 256) : alphabet[random() % alphabet.size()];
    for (int i = int(random() % 20); i > 0; --i) text += char(random() % 256);
    TcxStandardMask m;
    m.SetMask(mask);
    String fitted = text;
    m.FitText(fitted, round % 2 == 0, round % 3 == 0);
    EXPECT_EQ(CharCount(fitted), m.Count());
    String value = fitted;
    m.ValueText(value);
    m.IsComplete(fitted);
  }
}

}  // namespace
