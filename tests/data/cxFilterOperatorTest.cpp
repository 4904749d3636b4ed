#include <gtest/gtest.h>

#include "FilterFixture.h"
#include "data/cxDataUtils.h"
#include "data/cxFilterConsts.h"
#include "rtl/Clock.h"

using namespace filter_fixture;

namespace {

class OperatorTest : public FilterTest {};

// One condition of each kind: its class, expression, filter text and both display texts.
TEST_F(OperatorTest, EveryKindDescribesItself) {
  TManualClock clock(EncodeDate(2024, 1, 10) + 0.5);
  SetClock(&clock);
  struct Case {
    int kind;
    const char* cls;
    int field;  // 0 amount, 1 name, 2 day
    Variant value;
    const char* display;
    const char* expression;
    const char* filterText;
    const char* plainCaption;     // display text without operator descriptions
    const char* describedCaption; // with them
  } cases[] = {
      {0, "TcxFilterEqualOperator", 0, 5, "5", "=", "(Amount = 5)", "(Sum = 5)", "(Sum equals 5)"},
      {1, "TcxFilterNotEqualOperator", 0, 5, "5", "<>", "(Amount <> 5)", "(Sum <> 5)", "(Sum does not equal 5)"},
      {2, "TcxFilterLessOperator", 0, 5, "5", "<", "(Amount < 5)", "(Sum < 5)", "(Sum is less than 5)"},
      {3, "TcxFilterLessEqualOperator", 0, 5, "5", "<=", "(Amount <= 5)", "(Sum <= 5)",
       "(Sum is less than or equal to 5)"},
      {4, "TcxFilterGreaterOperator", 0, 5, "5", ">", "(Amount > 5)", "(Sum > 5)", "(Sum is greater than 5)"},
      {5, "TcxFilterGreaterEqualOperator", 0, 2.5, "2.5", ">=", "(Amount >= 2.5)", "(Sum >= 2.5)",
       "(Sum is greater than or equal to 2.5)"},
      {6, "TcxFilterLikeOperator", 1, "ab%", "ab%", "LIKE", "(Name LIKE 'ab%')", "(Customer LIKE ab%)",
       "(Customer begins with ab)"},
      {7, "TcxFilterNotLikeOperator", 1, "%a'b%", "%a'b%", "NOT LIKE", "(Name NOT LIKE '%a''b%')",
       "(Customer NOT LIKE %a'b%)", "(Customer does not contain a'b)"},
      {8, "TcxFilterBetweenOperator", 0, Pair(1, 5), "1;5", "BETWEEN", "(Amount BETWEEN 1 AND 5)",
       "(Sum between 1 and 5)", "(Sum between 1 and 5)"},
      {9, "TcxFilterNotBetweenOperator", 0, Pair(1, 5), " 1 ; 5 ", "NOT BETWEEN", "(Amount NOT BETWEEN 1 AND 5)",
       "(Sum not between 1 and 5)", "(Sum not between 1 and 5)"},
      {10, "TcxFilterInListOperator", 1, VarArrayOf({"a", "b", "c"}), "a;b;c", "IN", "(Name IN ('a', 'b', 'c'))",
       "(Customer in (a, b, c))", "(Customer in (a, b, c))"},
      {11, "TcxFilterNotInListOperator", 1, VarArrayOf({"a", "b"}), "a;b", "NOT IN", "(Name NOT IN ('a', 'b'))",
       "(Customer not in (a, b))", "(Customer not in (a, b))"},
      {12, "TcxFilterYesterdayOperator", 2, Null(), "", "is yesterday",
       "((Day >= '2024-01-09') AND (Day < '2024-01-10'))", "(Date is yesterday)", "(Date is yesterday)"},
      {13, "TcxFilterTodayOperator", 2, Null(), "", "is today", "((Day >= '2024-01-10') AND (Day < '2024-01-11'))",
       "(Date is today)", "(Date is today)"},
      {14, "TcxFilterTomorrowOperator", 2, Null(), "", "is tomorrow",
       "((Day >= '2024-01-11') AND (Day < '2024-01-12'))", "(Date is tomorrow)", "(Date is tomorrow)"},
      {15, "TcxFilterLast7DaysOperator", 2, Null(), "", "is last 7 days",
       "((Day >= '2024-01-04') AND (Day < '2024-01-11'))", "(Date is last 7 days)", "(Date is last 7 days)"},
      {16, "TcxFilterLastWeekOperator", 2, Null(), "", "is last week",
       "((Day >= '2024-01-01') AND (Day < '2024-01-08'))", "(Date is last week)", "(Date is last week)"},
      {17, "TcxFilterLast14DaysOperator", 2, Null(), "", "is last 14 days",
       "((Day >= '2023-12-28') AND (Day < '2024-01-11'))", "(Date is last 14 days)", "(Date is last 14 days)"},
      {18, "TcxFilterLastTwoWeeksOperator", 2, Null(), "", "is last two weeks",
       "((Day >= '2023-12-25') AND (Day < '2024-01-08'))", "(Date is last two weeks)", "(Date is last two weeks)"},
      {19, "TcxFilterLast30DaysOperator", 2, Null(), "", "is last 30 days",
       "((Day >= '2023-12-12') AND (Day < '2024-01-11'))", "(Date is last 30 days)", "(Date is last 30 days)"},
      {20, "TcxFilterLastMonthOperator", 2, Null(), "", "is last month",
       "((Day >= '2023-12-01') AND (Day < '2024-01-01'))", "(Date is last month)", "(Date is last month)"},
      {21, "TcxFilterLastYearOperator", 2, Null(), "", "is last year",
       "((Day >= '2023-01-01') AND (Day < '2024-01-01'))", "(Date is last year)", "(Date is last year)"},
      {22, "TcxFilterInPastOperator", 2, Null(), "", "is past", "((Day < '2024-01-10'))", "(Date is past)",
       "(Date is past)"},
      {23, "TcxFilterThisWeekOperator", 2, Null(), "", "is this week",
       "((Day >= '2024-01-08') AND (Day < '2024-01-15'))", "(Date is this week)", "(Date is this week)"},
      {24, "TcxFilterThisMonthOperator", 2, Null(), "", "is this month",
       "((Day >= '2024-01-01') AND (Day < '2024-02-01'))", "(Date is this month)", "(Date is this month)"},
      {25, "TcxFilterThisYearOperator", 2, Null(), "", "is this year",
       "((Day >= '2024-01-01') AND (Day < '2025-01-01'))", "(Date is this year)", "(Date is this year)"},
      {26, "TcxFilterNext7DaysOperator", 2, Null(), "", "is next 7 days",
       "((Day >= '2024-01-10') AND (Day < '2024-01-17'))", "(Date is next 7 days)", "(Date is next 7 days)"},
      {27, "TcxFilterNextWeekOperator", 2, Null(), "", "is next week",
       "((Day >= '2024-01-15') AND (Day < '2024-01-22'))", "(Date is next week)", "(Date is next week)"},
      {28, "TcxFilterNext14DaysOperator", 2, Null(), "", "is next 14 days",
       "((Day >= '2024-01-10') AND (Day < '2024-01-24'))", "(Date is next 14 days)", "(Date is next 14 days)"},
      {29, "TcxFilterNextTwoWeeksOperator", 2, Null(), "", "is next two weeks",
       "((Day >= '2024-01-15') AND (Day < '2024-01-29'))", "(Date is next two weeks)", "(Date is next two weeks)"},
      {30, "TcxFilterNext30DaysOperator", 2, Null(), "", "is next 30 days",
       "((Day >= '2024-01-10') AND (Day < '2024-02-09'))", "(Date is next 30 days)", "(Date is next 30 days)"},
      {31, "TcxFilterNextMonthOperator", 2, Null(), "", "is next month",
       "((Day >= '2024-02-01') AND (Day < '2024-03-01'))", "(Date is next month)", "(Date is next month)"},
      {32, "TcxFilterNextYearOperator", 2, Null(), "", "is next year",
       "((Day >= '2025-01-01') AND (Day < '2026-01-01'))", "(Date is next year)", "(Date is next year)"},
      {33, "TcxFilterInFutureOperator", 2, Null(), "", "is future", "((Day >= '2024-01-11'))", "(Date is future)",
       "(Date is future)"},
      {34, "TcxFilterNullOperator", 0, Null(), "", "=", "(Amount = NULL)", "(Sum = blank)", "(Sum is blank)"},
      {35, "TcxFilterNotNullOperator", 0, Null(), "", "<>", "(Amount <> NULL)", "(Sum <> blank)",
       "(Sum is not blank)"},
  };
  TTestField* fields[] = {&amount, &name, &when};
  FormatSettings.FirstDayOfWeek = 0;  // Monday
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cls);
    TTestCriteria crit(Fields());
    crit.SetDateTimeFormat("yyyy-mm-dd");
    TcxFilterCriteriaItem* item =
        crit.AddItem(nullptr, fields[c.field], TcxFilterOperatorKind(c.kind), c.value, c.display);
    EXPECT_STREQ(item->Operator()->ClassName().c_str(), c.cls);
    EXPECT_EQ(item->Operator()->Expression(), c.expression);
    EXPECT_EQ(crit.FilterTextValue(), c.filterText);
    EXPECT_EQ(crit.FilterCaptionText(), c.plainCaption);
    crit.SetOptions({fcoShowOperatorDescription});
    EXPECT_EQ(crit.FilterCaptionText(), c.describedCaption);
    EXPECT_EQ(GetFilterOperatorClass(c.kind)->ClassName(), c.cls);
  }
  EXPECT_THROW(GetFilterOperatorClass(36), EcxFilterError);
  EXPECT_THROW(GetFilterOperatorClass(-1), EcxFilterError);
  SetClock(nullptr);
}

TEST_F(OperatorTest, CompoundFilterTexts) {
  TTestField key{0, 1, "A;  B ", "Key"};
  struct Case {
    const char* name;
    int kind;
    TTestField* field;
    Variant value;
    bool translate;
    const char* filterText;
  } cases[] = {
      {"equal on a key of two fields", 0, &key, Pair(1, "x"), false, "((A = 1) AND (B = 'x'))"},
      {"not equal on a key", 1, &key, Pair(1, 2), false, "(NOT ((A = 1) AND (B = 2)))"},
      {"not like", 7, &name, "a%", true, "( NOT (Name LIKE 'a%'))"},
      {"between", 8, &amount, Pair(1, 5), true, "((Amount >= 1) AND (Amount <= 5))"},
      {"not between", 9, &amount, Pair(1, 5), true, "(NOT ((Amount >= 1) AND (Amount <= 5)))"},
      {"in", 10, &name, VarArrayOf({"a", "b"}), true, "((Name = 'a') OR (Name = 'b'))"},
      {"not in", 11, &name, VarArrayOf({"a"}), true, "(NOT ((Name = 'a')))"},
      {"in with one value", 10, &name, "a", true, "((Name = 'a'))"},
  };
  for (const auto& c : cases) {
    TTestCriteria crit(Fields());
    crit.SetTranslateBetween(c.translate);
    crit.SetTranslateLike(c.translate);
    crit.SetTranslateIn(c.translate);
    crit.AddItem(nullptr, c.field, TcxFilterOperatorKind(c.kind), c.value, "");
    EXPECT_EQ(crit.FilterTextValue(), c.filterText) << c.name;
  }
}

TEST_F(OperatorTest, ValueTextsInTheFilterText) {
  struct Case {
    Variant value;
    const char* text;
  } cases[] = {
      {Null(), "NULL"},          {"it's", "'it''s'"}, {VarAsType(Variant("w"), varOleStr), "'w'"},
      {true, "True"},            {Int64(1) << 40, "1099511627776"}, {Currency(1.5), "1.5"},
      {VarFromDateTime(EncodeDate(2024, 2, 3)), "'2/3/2024'"},
  };
  for (const auto& c : cases) {
    TTestCriteria crit(Fields());
    TcxFilterCriteriaItem* item = crit.AddItem(nullptr, &amount, foGreater, 0, "");
    String s;
    item->Operator()->GetDisplayText(c.value, s);
    EXPECT_EQ(s, c.text);
  }
}

TEST_F(OperatorTest, Satisfaction) {
  struct Case {
    const char* name;
    int kind;
    Variant record;
    Variant value;
    bool expected;
  } cases[] = {
      {"equal", 0, 5, 5, true},
      {"equal across types", 0, 5, 5.0, true},
      {"equal text", 0, "abc", "abc", true},
      {"not equal", 1, 5, 6, true},
      {"less", 2, 4, 5, true},
      {"less at bound", 2, 5, 5, false},
      {"less equal", 3, 5, 5, true},
      {"greater", 4, 6, 5, true},
      {"greater equal", 5, 4, 5, false},
      {"null record is less", 2, Null(), 5, true},
      {"like", 6, "abc", "a_c", true},
      {"like no match", 6, "abc", "A%", false},
      {"like number", 6, 123, "1%", true},
      {"like null record is empty text", 6, Null(), "%", true},
      {"not like", 7, "abc", "%d%", true},
      {"between", 8, 3, Pair(1, 5), true},
      {"between at bounds", 8, 5, Pair(1, 5), true},
      {"between outside", 8, 6, Pair(1, 5), false},
      {"between scalar value", 8, 3, 3, false},
      {"between one element", 8, 3, VarArrayOf({3}), false},
      {"not between", 9, 6, Pair(1, 5), true},
      {"not between scalar value", 9, 6, 3, false},
      {"in", 10, "b", VarArrayOf({"a", "b"}), true},
      {"in numbers", 10, 2, VarArrayOf({1, 2.0}), true},
      {"in missing", 10, "c", VarArrayOf({"a", "b"}), false},
      {"in scalar value", 10, "a", "a", true},
      {"in null value", 10, "a", Null(), false},
      {"not in", 11, "c", VarArrayOf({"a", "b"}), true},
      {"is null", 34, Null(), Null(), true},
      {"is null on a value", 34, 1, Null(), false},
      {"is not null", 35, 1, Null(), true},
  };
  for (const auto& c : cases) {
    TTestCriteria crit(Fields());
    crit.AddItem(nullptr, &amount, TcxFilterOperatorKind(c.kind), c.value, "");
    EXPECT_EQ(crit.Matches({c.record, Null(), Null()}), c.expected) << c.name;
  }
}

TEST_F(OperatorTest, NullValuesSwitchToTheNullOperators) {
  struct Case {
    int kind;
    const char* cls;
  } cases[] = {{0, "TcxFilterNullOperator"},
               {6, "TcxFilterNullOperator"},
               {1, "TcxFilterNotNullOperator"},
               {7, "TcxFilterNotNullOperator"},
               {2, "TcxFilterLessOperator"}};
  for (const auto& c : cases) {
    TTestCriteria crit(Fields());
    TcxFilterCriteriaItem* item = crit.AddItem(nullptr, &amount, TcxFilterOperatorKind(c.kind), Null(), "");
    EXPECT_EQ(item->Operator()->ClassName(), c.cls) << c.kind;
    if (c.kind != 2) { EXPECT_EQ(item->DisplayValue(), "blank") << c.kind; }
  }
}

TEST_F(OperatorTest, LikeDescriptionsFollowTheWildcards) {
  struct Case {
    const char* value;
    const char* like;
    const char* notLike;
  } cases[] = {
      {"ab%", "begins with", "does not begin with"},
      {"%ab", "ends with", "does not end with"},
      {"%ab%", "contains", "does not contain"},
      {"%%ab%%", "contains", "does not contain"},
      {"a%b", "like", "not like"},
      {"%", "like", "not like"},
      {"%%", "like", "not like"},
  };
  for (const auto& c : cases) {
    TTestCriteria crit(Fields());
    EXPECT_EQ(crit.AddItem(nullptr, &name, foLike, c.value, c.value)->Operator()->Description(), c.like) << c.value;
    EXPECT_EQ(crit.AddItem(nullptr, &name, foNotLike, c.value, c.value)->Operator()->Description(), c.notLike)
        << c.value;
  }
  TTestCriteria star(Fields());
  star.SetPercentWildcard('*');
  EXPECT_EQ(star.AddItem(nullptr, &name, foLike, "*ab", "*ab")->Operator()->Description(), "ends with");
  EXPECT_TRUE(star.Matches({Null(), "xab", Null()}));
}

TEST_F(OperatorTest, DateRangesAgainstAnInjectedToday) {
  struct Case {
    const char* name;
    TDateTime today;
    int firstDay;  // FirstDayOfWeek: 0 Monday, 6 Sunday
    bool includeToday;
    int kind;
    TDateTime start, end;
  } cases[] = {
      {"this week from Monday", EncodeDate(2024, 1, 10), 0, true, foThisWeek, EncodeDate(2024, 1, 8),
       EncodeDate(2024, 1, 15)},
      {"this week from Sunday", EncodeDate(2024, 1, 10), 6, true, foThisWeek, EncodeDate(2024, 1, 7),
       EncodeDate(2024, 1, 14)},
      {"week of a Sunday, Monday first", EncodeDate(2024, 1, 14), 0, true, foThisWeek, EncodeDate(2024, 1, 8),
       EncodeDate(2024, 1, 15)},
      {"week of a Sunday, Sunday first", EncodeDate(2024, 1, 14), 6, true, foThisWeek, EncodeDate(2024, 1, 14),
       EncodeDate(2024, 1, 21)},
      {"last week", EncodeDate(2024, 1, 10), 0, true, foLastWeek, EncodeDate(2024, 1, 1), EncodeDate(2024, 1, 8)},
      {"next month in December", EncodeDate(2024, 12, 15), 0, true, foNextMonth, EncodeDate(2025, 1, 1),
       EncodeDate(2025, 2, 1)},
      {"next month in November", EncodeDate(2024, 11, 15), 0, true, foNextMonth, EncodeDate(2024, 12, 1),
       EncodeDate(2025, 1, 1)},
      {"this month in December", EncodeDate(2024, 12, 15), 0, true, foThisMonth, EncodeDate(2024, 12, 1),
       EncodeDate(2025, 1, 1)},
      {"last month in January", EncodeDate(2024, 1, 10), 0, true, foLastMonth, EncodeDate(2023, 12, 1),
       EncodeDate(2024, 1, 1)},
      {"last 7 days without today", EncodeDate(2024, 1, 10), 0, false, foLast7Days, EncodeDate(2024, 1, 3),
       EncodeDate(2024, 1, 10)},
      {"next 7 days without today", EncodeDate(2024, 1, 10), 0, false, foNext7Days, EncodeDate(2024, 1, 11),
       EncodeDate(2024, 1, 18)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TManualClock clock(c.today + 0.75);
    SetClock(&clock);
    FormatSettings.FirstDayOfWeek = Byte(c.firstDay);
    cxFilterNDaysIncludeToday = c.includeToday;
    TTestCriteria crit(Fields());
    TcxFilterCriteriaItem* item = crit.AddItem(nullptr, &when, TcxFilterOperatorKind(c.kind), Null(), "");
    auto* op = static_cast<TcxFilterDateOperator*>(item->Operator());
    EXPECT_EQ(op->Start(), c.start);
    EXPECT_EQ(op->End(), c.end);
    auto at = [&](TDateTime d) { return crit.Matches({Null(), Null(), VarFromDateTime(d)}); };
    EXPECT_TRUE(at(c.start));
    EXPECT_TRUE(at(c.end - 0.001));
    EXPECT_FALSE(at(c.end));
    EXPECT_FALSE(at(c.start - 0.001));
    EXPECT_FALSE(crit.Matches({Null(), Null(), Null()}));
    SetClock(nullptr);
    cxFilterNDaysIncludeToday = true;
  }
}

TEST_F(OperatorTest, DateOperatorWithoutRecalculationAcceptsEveryValue) {
  TTestCriteria crit(Fields());
  crit.LockChanges();  // no notification: the dates stay unset
  TcxFilterCriteriaItem* item = crit.AddItem(nullptr, &when, foToday, Null(), "");
  EXPECT_TRUE(item->Operator()->IsSatisfied(VarFromDateTime(1), Null()));
  EXPECT_FALSE(item->Operator()->IsSatisfied(Null(), Null()));
  crit.UnlockChangesSilently();
}

TEST(FilterHelpers, WildcardsAndListTexts) {
  struct WildCase {
    const char* in;
    int ends;
    const char* out;
  } wild[] = {{"ab%", 1, "ab"}, {"%ab", 2, "ab"}, {"%ab%", 3, "ab"}, {"%", 0, "%"},
              {"%%", 0, "%"},   {"a%%%b", 0, "a%b"}, {"%%%", 0, "%"}, {"", 0, ""}};
  for (const auto& c : wild) {
    String s = c.in;
    EXPECT_EQ(WildcardEnds(s, '%'), c.ends) << c.in;
    EXPECT_EQ(s, c.out) << c.in;
  }
  String s = "a%%%%b";
  CollapseDoubledWildcards(s, '%');
  EXPECT_EQ(s, "a%b");

  Variant v;
  FilterTextToPair(" 1 ; 5 ", v);
  EXPECT_EQ(CompareVariantValues(v, Pair("1", "5")), 0);
  FilterTextToPair("7", v);
  EXPECT_EQ(CompareVariantValues(v, Pair("7", "")), 0);
  FilterTextToList("a; b ;c", v);
  EXPECT_EQ(CompareVariantValues(v, VarArrayOf({"a", "b", "c"})), 0);
  FilterTextToList("", v);
  EXPECT_FALSE(v.IsArray());
  EXPECT_EQ(PairDisplayText(Pair(1, Null())), "1 and blank");
  EXPECT_EQ(ListDisplayText(VarArrayOf({"x", Null()})), "(x, blank)");
  EXPECT_EQ(ListDisplayText(Variant("")), "()");
  EXPECT_EQ(FilterValueDisplayText(Null()), "blank");

  int pos = 1;
  String token;
  EXPECT_TRUE(NextFilterListToken("ab ; cd", pos, token));
  EXPECT_EQ(token, "ab");
  EXPECT_EQ(pos, 5);
  EXPECT_TRUE(NextFilterListToken("ab ; cd", pos, token));
  EXPECT_EQ(token, "cd");
  EXPECT_FALSE(NextFilterListToken("ab ; cd", pos, token));
}

String Shout(const String& text) { return AnsiUpperCase(text); }

TEST(FilterHelpers, TextHookReplacesEveryWord) {
  EXPECT_EQ(FilterResourceTextHook(), nullptr);
  SetFilterResourceTextHook(&Shout);
  EXPECT_EQ(cxGetFilterResourceString(cxSFilterOperatorEqual), "EQUALS");
  EXPECT_EQ(FilterValueDisplayText(Null()), "BLANK");
  SetFilterResourceTextHook(&ReplaceResourceText);
  EXPECT_EQ(cxGetFilterResourceString(cxSFilterOperatorEqual), "equals");
  SetFilterResourceTextHook(nullptr);
}

}  // namespace
