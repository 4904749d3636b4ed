// The mask regular-expression dialect: the compiler's lexems and messages with their positions,
// the automaton's matching, stepping back, completeness, case folding, locale separators and
// forced literals, and the bounds that keep any expression within memory and time.
#include "editors/cxRegExpr.h"

#include <random>

#include "tests/editors/EditorsTestSupport.h"

using editors_test::TLocaleFixture;

namespace {

// Compiles; answers "" or every error text joined by " | ".
String CompileErrors(TcxRegExpr& expr, const String& text) {
  TStringStream stream(text);
  try {
    expr.Compile(&stream);
  } catch (const EcxRegExprError& e) {
    String s;
    for (Integer i = 0; i < e.Errors().Count(); ++i) s += (i ? " | " : "") + e.Errors().Item(i).ErrorText();
    return s;
  }
  return String();
}

void Compile(TcxRegExpr& expr, const String& text) { ASSERT_EQ(CompileErrors(expr, text), ""); }

// The number of leading characters the expression accepts.
Integer Feed(TcxRegExpr& expr, const String& text) {
  Integer n = 0;
  for (size_t offset = 0; offset < text.size(); ++n) {
    char32_t c = DecodeUtf8(text, offset);
    if (!expr.Advance(c)) break;
  }
  return n;
}

class RegExprTest : public TLocaleFixture {};

TEST_F(RegExprTest, ErrorsCarryTheirLineAndColumnAndAreReportedTogether) {
  struct Case {
    const char* expr;
    const char* errors;
  } cases[] = {
      {"", "The source stream is empty"},
      {"   ", "The source stream is empty"},
      {"a)", "Unnecessary ')'"},
      {"(a", "Missing ')'"},
      {"'ab", "Line1, Char4: Missing ' ' '"},
      {"[ab", "Line1, Char4: Missing ']'"},
      {"[a-", "Line1, Char4: Missing ']'"},
      {"a{2", "Line1, Char4: Missing '}'"},
      {"a{2x}", "Line1, Char4: Illegal 'x'"},
      {"a{2'}", "Line1, Char4: Illegal ' ' '"},
      {"\\ a", "Line1, Char2: The space character is not allowed after '\\'"},
      {"\\x4", "Line1, Char4: Hexadecimal number expected"},
      {"\\x4g", "Line1, Char4: Hexadecimal number expected but 'g' found"},
      {"a**", "Line1, Char3: The '*' quantifier cannot be applied here"},
      {"a?*", "Line1, Char3: The '*' quantifier cannot be applied here"},
      {"(a?)+", "Line1, Char5: The '+' quantifier cannot be applied here"},
      {"*a", "Line1, Char1: Illegal quantifier '*'"},
      {"(a?){2,}", "Line1, Char5: The parameter quantifier cannot be applied here"},
      {"a?{2}", "Line1, Char3: The parameter quantifier cannot be applied here"},
      {"{2}", "Line1, Char1: Incorrect parameter quantifier | Line1, Char2: Illegal integer value | "
              "Line1, Char3: Illegal '}'"},
      {"a{3,2}", "Line1, Char5: Incorrect parameter quantifier"},
      {"a{,2}", "Line1, Char3: Incorrect parameter quantifier | Line1, Char4: Illegal integer value | "
                "Line1, Char5: Illegal '}'"},
      {")(", "Line1, Char1: Illegal ')' | The alternative should not be empty"},
      {"(a)\\2", "Line1, Char4: Too big reference number"},
      {"|a", "Line1, Char1: The alternative should not be empty"},
      {"a|", "The alternative should not be empty"},
      {"()", "Line1, Char2: The block should not be empty"},
      {"(a|)", "Line1, Char4: The block should not be empty"},
      {"[]]", "Line1, Char2: Can't create empty enumeration"},
      {"[^]", "Line1, Char3: Can't create empty enumeration"},
      {"[a-a]", "Line1, Char4: The starting character of the subrange must be less than the finishing one"},
      {"[a-b-c]", "Line1, Char5: Illegal '-'"},
      {"ab\r\n a**", "Line2, Char4: The '*' quantifier cannot be applied here"},
      {"ab\na**", "Line1, Char3: The '*' quantifier cannot be applied here"},
      {"*a|+b", "Line1, Char1: Illegal quantifier '*' | Line1, Char4: Illegal quantifier '+'"},
      // Counts are bounded, also beyond the range of an integer.
      {"a{256}", "Line1, Char3: The repetition count must not be greater than 255"},
      {"a{2,99999999999}", "Line1, Char5: The repetition count must not be greater than 255"},
      {"(((a{255}){255}){255})", "Line1, Char11: The expression is too complex"},
      {"(a{200})\\1\\1\\1\\1\\1", "Line1, Char15: The expression is too complex"},
  };
  for (const auto& c : cases) {
    TcxRegExpr expr;
    EXPECT_EQ(CompileErrors(expr, c.expr), c.errors) << c.expr;
    EXPECT_FALSE(expr.IsCompiled()) << c.expr;
    EXPECT_EQ(expr.Automat(), nullptr);
  }
}

TEST_F(RegExprTest, DeepNestingIsRefusedWithoutExhaustingTheStack) {
  TcxRegExpr expr;
  String text = String(100000, '(') + "a" + String(100000, ')');
  EXPECT_EQ(CompileErrors(expr, text), "Line1, Char1025: The expression is too complex");
  String alternatives;
  for (int i = 0; i < 2000; ++i) alternatives += "(a?)?";
  EXPECT_NE(CompileErrors(expr, alternatives), "");
}

TEST_F(RegExprTest, LexemsCarryKindsTextsAndPositions) {
  TcxRegExpr expr;
  Compile(expr, "\\x41.\\w/:[^\\d]{12}");
  struct Expected {
    Byte kind;
    const char* text;
    Integer chr;
  } expected[] = {{cxlkLiteral, "A", 1}, {cxlkAny, ".", 5},        {cxlkIdLetter, "w", 6},
                  {cxlkDateSeparator, "/", 8}, {cxlkTimeSeparator, ":", 9}, {cxlkOperator, "[", 10},
                  {cxlkOperator, "^", 11}, {cxlkDigit, "d", 12},      {cxlkOperator, "]", 14},
                  {cxlkOperator, "{", 15}, {cxlkInteger, "12", 16},   {cxlkOperator, "}", 18}};
  ASSERT_EQ(expr.Lexems().Count(), Integer(std::size(expected)));
  for (Integer i = 0; i < expr.Lexems().Count(); ++i) {
    const TcxLexem& l = expr.Lexems().Item(i);
    EXPECT_EQ(l.Kind, expected[i].kind) << i;
    EXPECT_EQ(l.Text, expected[i].text) << i;
    EXPECT_EQ(l.Char, expected[i].chr) << i;
    EXPECT_EQ(l.Line, 1) << i;
  }
}

TEST_F(RegExprTest, MatchesTextsCharacterByCharacter) {
  struct Case {
    const char* expr;
    const char* text;
    Integer accepted;
    bool final;
  } cases[] = {
      {"a(b?)", "ab", 2, true},       {"a(b?)", "a", 1, false},       {"a(b)?", "a", 1, true},
      {"a(b)?", "ab", 2, true},       {"a b", "ab", 2, true},         {"a b", "a b", 1, false},
      {"'a b'", "a b", 3, true},      {"''''", "'", 1, true},         {"[a-]", "-", 1, true},
      {"[-a]", "a", 1, true},         {"[-a]", "-", 1, true},         {"x{2,4}", "x", 1, false},
      {"x{2,4}", "xx", 2, true},      {"x{2,4}", "xxxxx", 4, true},   {"x{2,}", "xxxxxx", 6, true},
      {"(ab){2,3}", "aba", 3, false}, {"(ab){2,3}", "ababab", 6, true},
      {"(a)(b)\\2", "abb", 3, true},  {"\\d+", "12a", 2, true},       {"[\\d-z]", "e", 1, true},
      {"[\\d-z]", "5", 0, false},     {"[.]", "a", 0, false},         {"[.]", ".", 1, true},
      {"\\s", "\t", 1, true},         {"\\s", "\v", 0, false},        {"\\S", "\v", 1, true},
      {"\\w", "_", 1, true},          {"\\w", "\xC3\xA9", 0, false},  {"\\W", "-", 1, true},
      {"[^abc]", "d", 1, true},       {"[^abc]", "b", 0, false},      {"\\x41\\t", "A\t", 2, true},
      {"\\p", ".", 1, true},          {"\\.", ".", 1, true},          {"a|bc", "bc", 2, true},
      {"a|bc", "a", 1, true},         {"[\xCE\xB1-\xCF\x89]+", "\xCE\xB2\xCE\xB3", 2, true},
      {"a*", "", 0, true},            {"(a)?", "", 0, true},          {"a+?", "", 0, true},
      {"a*?", "aaa", 3, true},        {"..", "\xE6\x97\xA5\xE6\x9C\xAC", 2, true},
      {"[a-z]{1,3}", "abcd", 3, true},
  };
  for (const auto& c : cases) {
    TcxRegExpr expr;
    Compile(expr, c.expr);
    EXPECT_EQ(Feed(expr, c.text), c.accepted) << c.expr << " " << c.text;
    EXPECT_EQ(expr.IsFinal(), c.final) << c.expr << " " << c.text;
  }
}

TEST_F(RegExprTest, ParameterQuantifiersExpandIntoCopies) {
  auto dump = [](const char* text) {
    TcxRegExpr expr;
    TStringStream stream(text);
    expr.Compile(&stream);
    return expr.Automat()->DumpText();
  };
  EXPECT_EQ(dump("x{2,4}"), dump("(xx(xx?)?)"));
  EXPECT_EQ(dump("x{2,}"), dump("(xxx*)"));
  EXPECT_EQ(dump("a+?"), dump("(a+)?"));
}

// A back reference to a group that a parameter quantifier replaced copies the group as it was
// written, and never reaches the released group (also for a group nested in the replaced one).
TEST_F(RegExprTest, BackReferencesToRepeatedGroupsCopyTheGroupAsWritten) {
  struct Case {
    const char* expr;
    const char* text;
  } cases[] = {{"(ab){2}\\1", "ababab"}, {"((ab)c){2}\\2", "abcabcab"}, {"(a|b){1,2}x\\1", "abxb"}};
  for (const auto& c : cases) {
    TcxRegExpr expr;
    Compile(expr, c.expr);
    EXPECT_EQ(Feed(expr, c.text), CharCount(c.text)) << c.expr;
    EXPECT_TRUE(expr.IsFinal()) << c.expr;
  }
}

TEST_F(RegExprTest, RefusedCharacterLeavesTheStateAsItWas) {
  TcxRegExpr expr;
  Compile(expr, "\\d\\d");
  char32_t c = '1';
  ASSERT_TRUE(expr.Advance(c));
  Integer candidates = expr.Automat()->Candidates().Count();
  c = 'x';
  EXPECT_FALSE(expr.Advance(c));
  EXPECT_FALSE(expr.IsFinal());
  EXPECT_EQ(expr.Automat()->Candidates().Count(), candidates);
  EXPECT_EQ(expr.Automat()->Depth(), 1);
  EXPECT_TRUE(expr.StepBack());
  EXPECT_TRUE(expr.AtStart());
  EXPECT_FALSE(expr.StepBack());
  EXPECT_TRUE(expr.AtStart());
}

TEST_F(RegExprTest, CaseInsensitiveMatchingHandsBackTheExpressionsCharacters) {
  TcxRegExpr expr;
  Compile(expr, "abc\xC3\xA9");
  String typed;
  for (char32_t c : {U'A', U'B', U'C'}) {
    EXPECT_FALSE(expr.Advance(c));
    expr.SetCaseInsensitive(true);
    ASSERT_TRUE(expr.Advance(c));
    expr.SetCaseInsensitive(false);
    AppendUtf8(typed, c);
  }
  EXPECT_EQ(typed, "abc");
  expr.SetCaseInsensitive(true);
  char32_t e = U'\u00C9';
  EXPECT_TRUE(expr.Advance(e));
  EXPECT_EQ(e, U'\u00E9');
  expr.Restart();
  EXPECT_EQ(expr.AcceptText("ABxC"), "ABC");
}

TEST_F(RegExprTest, SeparatorsAreReadWhenMatching) {
  TcxRegExpr expr;
  Compile(expr, "\\d\\d/\\d\\d:\\d");
  FormatSettings.DateSeparator = '.';
  FormatSettings.TimeSeparator = '-';
  EXPECT_EQ(Feed(expr, "12.05-1"), 7);
  EXPECT_TRUE(expr.IsFinal());
  expr.Restart();
  EXPECT_EQ(Feed(expr, "12/05"), 2);
}

TEST_F(RegExprTest, ForcedLiteralsAreTypedAndRemoved) {
  TcxRegExpr expr;
  String inserted;
  Integer removed = 0;
  expr.OnLiteralInserted = [&](char32_t c) { AppendUtf8(inserted, c); };
  expr.OnLiteralRemoved = [&] { ++removed; };
  expr.SetAutoComplete(true);
  Compile(expr, "'('\\d\\d\\d')'");
  EXPECT_EQ(inserted, "(");
  EXPECT_EQ(Feed(expr, "123"), 3);
  EXPECT_EQ(inserted, "()");
  EXPECT_TRUE(expr.IsFinal());

  // A date: the separator follows the second digit, and a step back removes both.
  inserted.clear();
  Compile(expr, "\\d\\d/\\d\\d");
  EXPECT_EQ(Feed(expr, "12"), 2);
  EXPECT_EQ(inserted, "/");
  EXPECT_EQ(expr.Automat()->Depth(), 3);
  EXPECT_TRUE(expr.StepBack());
  EXPECT_EQ(removed, 1);
  EXPECT_EQ(expr.Automat()->Depth(), 1);

  // Literals stop at the first final position; switching auto-completion on types at once.
  inserted.clear();
  expr.SetAutoComplete(false);
  Compile(expr, "a(b)?c");
  EXPECT_EQ(inserted, "");
  EXPECT_EQ(Feed(expr, "a"), 1);
  expr.SetAutoComplete(true);
  EXPECT_EQ(inserted, "");
  Compile(expr, "xy(z)?");
  EXPECT_EQ(inserted, "xy");
}

// A literal repeated before a part that can match nothing would be forced forever.
TEST_F(RegExprTest, ForcedLiteralsNeverRepeatForever) {
  TcxRegExpr expr;
  String inserted;
  expr.OnLiteralInserted = [&](char32_t c) { AppendUtf8(inserted, c); };
  expr.SetAutoComplete(true);
  Compile(expr, "a+x{0}");
  EXPECT_EQ(inserted, "a");
  char32_t c = 'a';
  EXPECT_TRUE(expr.Advance(c));
  EXPECT_EQ(inserted, "a");
}

TEST_F(RegExprTest, CompilationIsAllOrNothing) {
  TcxRegExpr expr;
  Compile(expr, "\\d");
  ASSERT_NE(expr.CompiledSource(), nullptr);
  EXPECT_NE(CompileErrors(expr, "(("), "");
  EXPECT_FALSE(expr.IsCompiled());
  EXPECT_EQ(expr.CompiledSource(), nullptr);
  char32_t c = '1';
  try {
    expr.Advance(c);
    FAIL();
  } catch (const EcxEditError& e) {
    EXPECT_EQ(e.Message(), "Regular expression is not compiled");
  }
  EXPECT_THROW(expr.Compile(nullptr), EcxRegExprError);
  EXPECT_EQ(expr.Errors().Item(0).ErrorText(), "The source stream is not assigned");
  // A second expression compiles from the first one's source.
  Compile(expr, "a\\d");
  TcxRegExpr copy;
  copy.Compile(expr.CompiledSource());
  EXPECT_EQ(Feed(copy, "a1"), 2);
}

// Random texts and bytes: every compilation either succeeds or reports errors, and matching
// what compiled stays bounded.
TEST_F(RegExprTest, BoundedFuzz) {
  std::mt19937 random(38);
  const String alphabet = "ab01()[]{}^-,|*+?.'\\/:dDwWsSxp \t\r\n9";
  for (int round = 0; round < 3000; ++round) {
    String text;
    int length = int(random() % 24);
    for (int i = 0; i < length; ++i)
      text += round % 5 == 0 ? char(random() % 256) : alphabet[random() % alphabet.size()];
    TcxRegExpr expr;
    expr.SetAutoComplete(round % 2 == 0);
    expr.SetCaseInsensitive(round % 3 == 0);
    String errors = CompileErrors(expr, text);
    EXPECT_EQ(expr.IsCompiled(), errors.empty());
    if (!expr.IsCompiled()) continue;
    for (int i = 0; i < 30; ++i) {
      char32_t c = char32_t(alphabet[random() % alphabet.size()]);
      if (random() % 4 == 0)
        expr.StepBack();
      else
        expr.Advance(c);
    }
    expr.IsFinal();
  }
}

}  // namespace
