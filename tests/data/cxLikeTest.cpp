#include <gtest/gtest.h>

#include <random>

#include "data/cxLike.h"

namespace {

struct LikeCase {
  const char* text;
  const char* pattern;
  bool expected;
};

TEST(LikeMatch, Patterns) {
  const LikeCase cases[] = {
      {"abc", "a%", true},
      {"abc", "%c", true},
      {"abc", "a_c", true},
      {"abc", "A%", false},
      {"", "%", true},
      {"", "%%", true},
      {"", "", true},
      {"", "_", false},
      {"a", "a%%", true},  // a run of wildcards matches the empty run as one does
      {"a", "a%_", false},
      {"ab", "a%_", true},
      {"abc", "abc", true},
      {"abc", "ab", false},
      {"abc", "abcd", false},
      {"abc", "%b%", true},
      {"abc", "%d%", false},
      {"abcabc", "%abc", true},
      {"abcab", "%abc", false},
      {"aXbXc", "a%b%c", true},
      {"acb", "a%b%c", false},
      {"abab", "%a_", true},
      {"mississippi", "m%iss%ppi", true},
      {"mississippi", "m%iss%iss%ppi", true},
      {"mississippi", "m%iss%iss%iss%", false},
      {"100%", "100%", true},
      // One "_" takes one whole UTF-8 character.
      {"a\xC3\xA9" "c", "a_c", true},
      {"a\xC3\xA9" "c", "a__c", false},
      {"\xE3\x81\x82", "_", true},
      {"\xE3\x81\x82\xE3\x81\x84", "_\xE3\x81\x84", true},
      {"\xE3\x81\x82\xE3\x81\x84", "%_", true},
      {"x\xE3\x81\x82", "%\x82", false},
      {"x\xE3\x81\x82", "%_\x82", false},
  };
  for (const auto& c : cases) EXPECT_EQ(LikeMatch(c.text, c.pattern), c.expected) << c.text << " LIKE " << c.pattern;
}

TEST(LikeMatch, OtherWildcardsAndEscape) {
  EXPECT_TRUE(LikeMatch("abc", "a*", '*', '?'));
  EXPECT_TRUE(LikeMatch("abc", "a?c", '*', '?'));
  EXPECT_FALSE(LikeMatch("a%c", "a_d", '*', '?'));
  const String text = "50%off";
  EXPECT_TRUE(LikeMatchChars(text.data(), text.size(), "50\\%%", 5, '%', '_', '\\'));
  EXPECT_FALSE(LikeMatchChars("50x", 3, "50\\%%", 5, '%', '_', '\\'));
  EXPECT_TRUE(LikeMatchChars("a_", 2, "a\\_", 3, '%', '_', '\\'));
  EXPECT_FALSE(LikeMatchChars("ab", 2, "a\\_", 3, '%', '_', '\\'));
}

// Plain backtracking with the same rules, as a reference for generated cases.
bool Reference(const char* s, std::size_t n, const char* p, std::size_t m) {
  if (m == 0) return n == 0;
  if (*p == '%') {
    for (std::size_t i = 0; i <= n;) {
      if (Reference(s + i, n - i, p + 1, m - 1)) return true;
      if (i == n) break;
      i += Utf8CharLength(s + i, n - i);
    }
    return false;
  }
  if (n == 0) return false;
  if (*p == '_') {
    std::size_t k = Utf8CharLength(s, n);
    return Reference(s + k, n - k, p + 1, m - 1);
  }
  return *s == *p && Reference(s + 1, n - 1, p + 1, m - 1);
}

TEST(LikeMatch, AgreesWithBacktrackingOnGeneratedCases) {
  std::mt19937 rng(7);
  const std::vector<String> textAtoms = {"a", "b", "c", "\xC3\xA9", "\xE3\x81\x82"};
  const std::vector<String> patAtoms = {"a", "b", "%", "_", "\xC3\xA9", "\xE3\x81\x82", "%%"};
  for (int round = 0; round < 20000; ++round) {
    String text, pattern;
    int tn = int(rng() % 8), pn = int(rng() % 6);
    for (int i = 0; i < tn; ++i) text += textAtoms[rng() % textAtoms.size()];
    for (int i = 0; i < pn; ++i) pattern += patAtoms[rng() % patAtoms.size()];
    ASSERT_EQ(LikeMatch(text, pattern), Reference(text.data(), text.size(), pattern.data(), pattern.size()))
        << "'" << text << "' LIKE '" << pattern << "'";
  }
}

// The reference with an escape character: the escaped character is literal.
bool ReferenceEscaped(const char* s, std::size_t n, const char* p, std::size_t m) {
  if (m == 0) return n == 0;
  if (*p == '\\') {
    if (m == 1) return ReferenceEscaped(s, n, p + 1, 0);  // a dangling escape is dropped
    return n > 0 && *s == p[1] && ReferenceEscaped(s + 1, n - 1, p + 2, m - 2);
  }
  if (*p == '%') {
    for (std::size_t i = 0; i <= n;) {
      if (ReferenceEscaped(s + i, n - i, p + 1, m - 1)) return true;
      if (i == n) break;
      i += Utf8CharLength(s + i, n - i);
    }
    return false;
  }
  if (n == 0) return false;
  if (*p == '_') {
    std::size_t k = Utf8CharLength(s, n);
    return ReferenceEscaped(s + k, n - k, p + 1, m - 1);
  }
  return *s == *p && ReferenceEscaped(s + 1, n - 1, p + 1, m - 1);
}

TEST(LikeMatch, EscapedPatternsAgreeWithBacktracking) {
  std::mt19937 rng(3);
  const std::vector<String> textAtoms = {"a", "%", "_", "\\", "\xC3\xA9"};
  const std::vector<String> patAtoms = {"a", "%", "_", "\\%", "\\_", "\\a", "\xC3\xA9", "\\"};
  for (int round = 0; round < 20000; ++round) {
    String text, pattern;
    int tn = int(rng() % 7), pn = int(rng() % 6);
    for (int i = 0; i < tn; ++i) text += textAtoms[rng() % textAtoms.size()];
    for (int i = 0; i < pn; ++i) pattern += patAtoms[rng() % patAtoms.size()];
    ASSERT_EQ(LikeMatchChars(text.data(), text.size(), pattern.data(), pattern.size(), '%', '_', '\\'),
              ReferenceEscaped(text.data(), text.size(), pattern.data(), pattern.size()))
        << "'" << text << "' LIKE '" << pattern << "'";
  }
}

TEST(LikeMatch, ManyWildcardsOnLongTextFinishQuickly) {
  // Backtracking would take exponential time here; the answer must come at once.
  String text(20000, 'a');
  EXPECT_FALSE(LikeMatch(text, "%a%a%a%a%a%a%a%a%a%a%a%a%b"));
  EXPECT_TRUE(LikeMatch(text + "b", "%a%a%a%a%a%a%a%a%a%a%a%a%b"));
}

}  // namespace
