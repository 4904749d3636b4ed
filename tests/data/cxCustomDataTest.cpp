// Data controller: change delivery, range errors, sorting, grouping with expansion, focus,
// selection, deletions, editing, provider mode and summaries, seen through an owner stub.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>

#include "DataControllerFixture.h"

using namespace dc_fixture;

namespace {

const TcxValueTypeClass kInt = TcxIntegerValueType::Class();
const TcxValueTypeClass kStr = TcxStringValueType::Class();
const TcxValueTypeClass kVar = TcxVariantValueType::Class();

std::vector<String> Only(const std::vector<String>& log, const char* prefix) {
  std::vector<String> out;
  for (const auto& s : log)
    if (s.rfind(prefix, 0) == 0) out.push_back(s);
  return out;
}

// Records (group, name, amount) used by several tests.
void FillSales(TLoggingController& c) {
  c.AddTypedItem(kStr);  // 0 region
  c.AddTypedItem(kStr);  // 1 name
  c.AddTypedItem(kInt);  // 2 amount
  c.Fill({{"north", "ann", 5},
          {"south", "bob", 7},
          {"north", "cid", 1},
          {"east", "dan", 3},
          {"south", "eve", 2},
          {"north", "fay", 9}});
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Change delivery

TEST(DataControllerChanges, MergesDataChangesInsideOneBracket) {
  struct Case {
    const char* name;
    std::function<void(TLoggingController&)> act;
    const char* expected;  // the one data change delivered, or "" for none
  };
  std::vector<Case> cases = {
      {"one value three times", [](auto& c) { for (int i = 0; i < 3; ++i) c.SetValue(1, 0, i); }, "Data(0,0,1)"},
      {"two items of one record", [](auto& c) { c.SetValue(1, 0, 1); c.SetValue(1, 1, 2); }, "Data(1,-1,1)"},
      {"two records", [](auto& c) { c.SetValue(1, 0, 1); c.SetValue(2, 0, 2); }, "Data(4,0,2)"},
      // Once several records changed, a further change of the last one does not narrow it.
      {"records 1, 2, then 2 again", [](auto& c) { c.SetValue(1, 0, 1); c.SetValue(2, 0, 2); c.SetValue(2, 0, 3); },
       "Data(4,0,2)"},
      // Rows were added: a value change that follows keeps that news.
      {"append then value", [](auto& c) { int r = c.AppendRecord(); c.SetValue(r, 0, 5); }, "Data(2,-1,-1)"},
      {"delete then value", [](auto& c) { c.DeleteRecord(0); c.SetValue(0, 0, 5); }, "Data(3,-1,-1)"},
      {"append then delete", [](auto& c) { c.AppendRecord(); c.DeleteRecord(0); }, "Data(4,-1,-1)"},
      {"nothing", [](auto&) {}, ""},
  };
  for (const auto& tc : cases) {
    TLoggingController c;
    c.AddTypedItem(kInt);
    c.AddTypedItem(kInt);
    c.SetRecordCount(3);
    int fired = 0;
    c.OnDataChanged = [&](TObject*) { ++fired; };
    c.Log.clear();
    c.BeginUpdate();
    tc.act(c);
    EXPECT_TRUE(c.Log.empty()) << tc.name << ": nothing is delivered inside the bracket";
    c.EndUpdate();
    auto data = Only(c.Log, "Data");
    if (tc.expected[0] == 0) {
      EXPECT_TRUE(data.empty()) << tc.name;
      EXPECT_EQ(fired, 0) << tc.name;
    } else {
      ASSERT_EQ(data.size(), 1u) << tc.name;
      EXPECT_EQ(data[0], tc.expected) << tc.name;
      EXPECT_EQ(fired, 1) << tc.name;
    }
  }
}

TEST(DataControllerChanges, OwnerFailureStillFreesTheInfoAndClearsTheChanges) {
  TLoggingController c;
  c.AddTypedItem(kInt);
  c.SetRecordCount(2);
  c.Raise = true;
  EXPECT_THROW(c.SetValue(0, 0, 1), Exception);
  c.Raise = false;
  c.Log.clear();
  c.BeginUpdate();
  c.EndUpdate();
  EXPECT_TRUE(c.Log.empty());
  EXPECT_TRUE(c.PendingChanges().Empty());
}

TEST(DataControllerChanges, SortingChangedFiresOnceEvenWhenRaisedFromItsHandler) {
  TLoggingController c;
  c.AddTypedItem(kInt);
  c.AddTypedItem(kInt);
  c.SetRecordCount(3);
  int calls = 0;
  c.OnSortingChanged = [&](TObject*) {
    ++calls;
    if (calls == 1) c.ChangeItemSortOrder(1, soAscending);
  };
  c.ChangeItemSortOrder(0, soDescending);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(c.ItemSortOrder(1), soAscending);
}

TEST(DataControllerChanges, OneBracketDeliversItsKindsInTheFixedOrder) {
  TLoggingController c;
  c.AddTypedItem(kInt);
  c.SetRecordCount(3);
  c.SetMultiSelect(true);
  int sorted = 0;
  c.OnSortingChanged = [&](TObject*) { c.Log.push_back("Sorting"); ++sorted; };
  c.Log.clear();
  c.BeginUpdate();
  c.ChangeItemSortOrder(0, soDescending);
  c.ChangeFocusedRowIndex(1);
  c.SaveBookmarkNotify();
  c.ChangeRowSelection(1, true);
  c.SetValue(2, 0, 5);
  c.EndUpdate();
  // Record 2 sorts first, so the focused record 1 ends in row 2.
  EXPECT_EQ(c.Log, Texts({"Data(0,0,2)", "Row(2,-1)", "Record(-1,1)", "Selection(1)", "Bookmark", "Sorting"}));
}

TEST(DataControllerChanges, DataChangedWaitsWhileTheOwnerLoads) {
  TComponent owner(nullptr);
  TLoggingController c(&owner);
  c.AddTypedItem(kInt);
  int fired = 0;
  c.OnDataChanged = [&](TObject*) { ++fired; };
  owner.Loading();
  c.SetRecordCount(2);
  c.SetValue(0, 0, 1);
  EXPECT_EQ(fired, 0);
  owner.Loaded();
  c.DoPendingNotifications();
  EXPECT_EQ(fired, 1);
  c.DoPendingNotifications();
  EXPECT_EQ(fired, 1);
}

// ---------------------------------------------------------------------------------------------
// Bad indexes

TEST(DataControllerErrors, OutOfRangeIndexesRaiseTheirTexts) {
  TLoggingController c;
  FillSales(c);
  struct Case {
    const char* name;
    std::function<void()> act;
    const char* text;
  };
  std::vector<Case> cases = {
      {"value of record 6", [&] { c.GetValue(6, 0); }, "RecordIndex out of range"},
      {"value of record -1", [&] { c.GetValue(-1, 0); }, "RecordIndex out of range"},
      {"value of item 3", [&] { c.GetValue(0, 3); }, "ItemIndex out of range"},
      {"set value of item -1", [&] { c.SetValue(0, -1, 1); }, "ItemIndex out of range"},
      {"row info of row count", [&] { c.RowInfoAt(c.RowCount()); }, "RowIndex out of range"},
      {"select row -1", [&] { c.SetMultiSelect(true); c.ChangeRowSelection(-1, true); }, "RowIndex out of range"},
      {"insert past the end", [&] { c.InsertRecord(c.GetRecordCount() + 1); }, "RecordIndex out of range"},
      {"record ID of the new-item record", [&] { c.GetRecordId(c.GetNewItemRecordIndex()); }, "RecordIndex out of range"},
      {"item twice", [&] { c.AddItem(c.ItemObject(0)); }, "Item already exists"},
      {"expand row 99", [&] { c.Groups()->ChangeRowExpanding(99, true, false); }, "RowIndex out of range"},
  };
  for (const auto& tc : cases) {
    try {
      tc.act();
      ADD_FAILURE() << tc.name << ": no exception";
    } catch (EcxInvalidDataControllerOperation& e) {
      EXPECT_EQ(e.Message(), tc.text) << tc.name;
    }
  }
  EXPECT_EQ(c.GetRecordCount(), 6) << "failed calls change nothing";
}

TEST(DataControllerRecords, NewItemRecordIsNeverNoRecord) {
  TLoggingController c;
  c.AddTypedItem(kInt);
  c.SetRecordCount(2);
  int n = c.GetNewItemRecordIndex();
  EXPECT_LT(n, -1) << "-1 means no record";
  c.SetValue(n, 0, 42);
  EXPECT_EQ(c.GetValue(n, 0).AsInteger(), 42);
  EXPECT_EQ(c.GetRecordCount(), 2);
  EXPECT_THROW(c.GetValue(-1, 0), EcxInvalidDataControllerOperation);
}

TEST(DataControllerRecords, RecordCountAndInsertion) {
  TLoggingController c;
  c.AddTypedItem(kInt);
  c.SetRecordCount(3);
  c.Log.clear();
  c.SetRecordCount(3);
  EXPECT_TRUE(c.Log.empty()) << "an equal count reports nothing";
  c.SetRecordCount(-5);
  EXPECT_EQ(c.GetRecordCount(), 0);
  EXPECT_EQ(Only(c.Log, "Data"), Texts({"Data(3,-1,-1)"}));
  c.SetRecordCount(2);
  c.SetValue(0, 0, 10);
  c.SetValue(1, 0, 11);
  EXPECT_EQ(c.InsertRecord(2), 2) << "inserting at the count appends";
  EXPECT_EQ(c.InsertRecord(0), 0);
  EXPECT_EQ(c.GetValue(1, 0).AsInteger(), 10);
  EXPECT_TRUE(c.GetValue(0, 0).IsNull());
}

// ---------------------------------------------------------------------------------------------
// Sorting

TEST(DataControllerSorting, SortsOnSeveralItemsWithTheRecordIndexAsTieBreak) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, TcxDataSortOrder>> sort;
    const char* expected;  // names in row order
  };
  std::vector<Case> cases = {
      {"none", {}, "ann bob cid dan eve fay"},
      {"region asc keeps storage order inside", {{0, soAscending}}, "dan ann cid fay bob eve"},
      {"region desc keeps storage order inside", {{0, soDescending}}, "bob eve ann cid fay dan"},
      {"region asc, amount desc", {{0, soAscending}, {2, soDescending}}, "dan fay ann cid bob eve"},
      {"amount asc", {{2, soAscending}}, "cid eve dan ann bob fay"},
  };
  for (const auto& tc : cases) {
    TLoggingController c;
    FillSales(c);
    c.BeginUpdate();
    for (auto [item, order] : tc.sort) c.ChangeItemSortOrder(item, order);
    c.EndUpdate();
    String got;
    for (auto& t : c.RowTexts(1)) got += (got.empty() ? "" : " ") + t;
    EXPECT_EQ(got, tc.expected) << tc.name;
  }
}

TEST(DataControllerSorting, NullsFirstAscendingLastDescendingAndTiesByRecord) {
  for (TcxDataSortOrder order : {soAscending, soDescending}) {
    TLoggingController c;
    c.AddTypedItem(kInt);
    c.AddTypedItem(kInt);
    c.Fill({{2, 0}, {Null(), 1}, {1, 2}, {Null(), 3}, {2, 4}});
    c.ChangeItemSortOrder(0, order);
    std::vector<int> got;
    for (int r = 0; r < c.RowCount(); ++r) got.push_back(c.GetValue(c.RowInfoAt(r).RecordIndex, 1).AsInteger());
    if (order == soAscending)
      EXPECT_EQ(got, (std::vector<int>{1, 3, 2, 0, 4}));
    else
      EXPECT_EQ(got, (std::vector<int>{0, 4, 2, 1, 3}));
  }
}

// Enough records for the typed keys' radix sort, with the values that order specially: Null,
// -0 and 0, NaN and the infinities, empty and multibyte texts, the integer limits.
TEST(DataControllerSorting, ManyRecordsSortAndGroupAsTheirValuesCompare) {
  const int n = 600;
  const Variant floats[] = {Null(), -0.0, 0.0, std::nan(""), HUGE_VAL, -HUGE_VAL, 1.5, -2.25, 1e300};
  const Variant texts[] = {Null(), "", "b", "a", "ab", "\xC3\xA9", "B", String("a\0b", 3)};
  const Variant ints[] = {Null(), -2147483647 - 1, 2147483647, 0, -1, 7};
  const Variant larges[] = {Null(), Int64(INT64_MAX), Int64(-5), Int64(0), Int64(1) << 40};
  const Variant dates[] = {Null(), VarFromDateTime(1.5), VarFromDateTime(45000.25), VarFromDateTime(-700.5)};
  TLoggingController c;
  for (TcxValueTypeClass t : {TcxFloatValueType::Class(), kStr, kInt, TcxLargeIntValueType::Class(),
                              TcxDateTimeValueType::Class()})
    c.AddTypedItem(t);
  std::vector<std::vector<Variant>> rows;
  uint32_t seed = 5;
  auto pick = [&seed](std::size_t count) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % count;
  };
  for (int r = 0; r < n; ++r)
    rows.push_back({floats[pick(std::size(floats))], texts[pick(std::size(texts))], ints[pick(std::size(ints))],
                    larges[pick(std::size(larges))], dates[pick(std::size(dates))]});
  c.Fill(rows);
  // The order of the values: Null first, texts by their bytes, numbers by value, -0 equal to
  // 0, NaN after every number.
  auto compare = [&](int a, int b, int item) {
    Variant x = c.GetValue(a, item), y = c.GetValue(b, item);
    if (x.IsNull() || y.IsNull()) return x.IsNull() == y.IsNull() ? 0 : (x.IsNull() ? -1 : 1);
    if (x.IsString()) return x.AsString().compare(y.AsString()) < 0 ? -1 : (x.AsString() == y.AsString() ? 0 : 1);
    if (x.VarType() == varInt64) return x.AsInt64() < y.AsInt64() ? -1 : (x.AsInt64() > y.AsInt64() ? 1 : 0);
    double d = x.AsDouble(), e = y.AsDouble();
    if (d < e) return -1;
    if (d > e) return 1;
    return std::isnan(d) == std::isnan(e) ? 0 : (std::isnan(d) ? 1 : -1);
  };
  using Sort = std::vector<std::pair<int, TcxDataSortOrder>>;
  auto check = [&](const Sort& sort, const char* name) {
    c.BeginUpdate();
    c.ClearSorting(false);
    for (auto [item, order] : sort) c.ChangeItemSortOrder(item, order);
    c.EndUpdate();
    std::vector<int> expected(static_cast<std::size_t>(n));
    for (int r = 0; r < n; ++r) expected[std::size_t(r)] = r;
    std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
      for (auto [item, order] : sort) {
        int v = compare(a, b, item);
        if (v != 0) return (order == soDescending ? -v : v) < 0;
      }
      return false;
    });
    std::vector<int> got;
    for (int r = 0; r < c.RowCount(); ++r) got.push_back(c.RowInfoAt(r).RecordIndex);
    EXPECT_EQ(got, expected) << name;
  };
  // Each sort starts from the previous order, not from the record order.
  check({{0, soAscending}}, "float");
  check({{0, soDescending}}, "float descending");
  check({{1, soAscending}, {2, soDescending}}, "text, integer descending");
  check({{2, soAscending}, {3, soDescending}, {4, soAscending}}, "integer, large integer descending, date");
  check({{4, soDescending}, {1, soAscending}}, "date descending, text");
  c.SetValue(7, 1, "aa");  // a new text after the texts were ranked
  c.SetValue(8, 0, -1e-300);
  check({{1, soAscending}, {0, soAscending}}, "after edits");
  c.SetValue(9, 3, Int64(INT64_MIN));  // no key below it is left for Null
  check({{3, soAscending}}, "large integer with its minimum");

  // Two grouping levels: one group per distinct text, one per distinct (text, integer) pair.
  c.ClearSorting(false);
  c.BeginUpdate();
  c.Groups()->ChangeItemGroupIndex(1, 0);
  c.Groups()->ChangeItemGroupIndex(2, 1);
  c.EndUpdate();
  c.Groups()->FullExpand();
  std::vector<std::pair<String, String>> outer, inner;
  for (int r = 0; r < c.RowCount(); ++r) {
    TcxRowInfo ri = c.RowInfoAt(r);
    if (ri.Level > 1) continue;
    Variant text = c.GetValue(ri.RecordIndex, 1), value = c.GetValue(ri.RecordIndex, 2);
    String key = text.IsNull() ? String("null") : "'" + text.AsString();
    if (ri.Level == 0) outer.push_back({key, ""});
    else inner.push_back({key, value.IsNull() ? String("null") : value.AsString()});
  }
  std::vector<std::pair<String, String>> pairs, singles;
  for (int r = 0; r < n; ++r) {
    Variant text = c.GetValue(r, 1), value = c.GetValue(r, 2);
    String key = text.IsNull() ? String("null") : "'" + text.AsString();
    pairs.push_back({key, value.IsNull() ? String("null") : value.AsString()});
    singles.push_back({key, ""});
  }
  for (auto* v : {&pairs, &singles, &outer, &inner}) std::sort(v->begin(), v->end());
  pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
  singles.erase(std::unique(singles.begin(), singles.end()), singles.end());
  EXPECT_EQ(outer, singles);
  EXPECT_EQ(inner, pairs);
}

TEST(DataControllerSorting, MixedValuesThatDoNotOrderEachOtherSortWithoutHarm) {
  // Variant values of kinds that do not compare (text against numbers) make the comparison
  // inconsistent; the sort must stay inside its range and keep every record exactly once.
  TLoggingController c;
  c.AddTypedItem(kVar);
  std::vector<std::vector<Variant>> rows;
  for (int i = 0; i < 500; ++i) {
    Variant v = (i % 3 == 0) ? Variant(String("x") + IntToStr(i)) : (i % 3 == 1 ? Variant(i) : Variant(double(i) / 7));
    rows.push_back({v});
  }
  c.Fill(rows);
  c.ChangeItemSortOrder(0, soAscending);
  ASSERT_EQ(c.RowCount(), 500);
  std::vector<int> records;
  for (int r = 0; r < c.RowCount(); ++r) records.push_back(c.RowInfoAt(r).RecordIndex);
  std::sort(records.begin(), records.end());
  for (int i = 0; i < 500; ++i) ASSERT_EQ(records[std::size_t(i)], i);
}

TEST(DataControllerSorting, CompareHandlerDecidesAndEqualKeysKeepStorageOrder) {
  // A handler that calls everything equal exercises the general sort on many equal keys.
  TLoggingController c;
  c.AddTypedItem(kInt);
  c.SetRecordCount(20000);
  c.OnCompare = [](TcxCustomDataController*, int, int, int, const Variant&, const Variant&, int& r) { r = 0; };
  c.ChangeItemSortOrder(0, soDescending);
  for (int r = 0; r < c.RowCount(); r += 997) ASSERT_EQ(c.RowInfoAt(r).RecordIndex, r);
}

TEST(DataControllerSorting, StringOptionsDecideTheTextOrder) {
  struct Case {
    TcxDataControllerOptions options;
    bool equal;
  };
  for (auto tc : std::vector<Case>{{{}, false}, {{dcoCaseInsensitive}, true}, {{dcoAnsiSort, dcoCaseInsensitive}, true}}) {
    TLoggingController c;
    c.AddTypedItem(kStr);
    c.Fill({{"abc"}, {"ABC"}});
    c.SetOptions(tc.options);
    EXPECT_EQ(c.CompareByField(0, 1, c.Fields()->Items(0)) == 0, tc.equal);
  }
}

TEST(DataControllerSorting, GroupedItemReportsItsGroupingOrder) {
  TLoggingController c;
  FillSales(c);
  c.Groups()->ChangeItemGroupIndex(0, 0);
  EXPECT_EQ(c.ItemSortOrder(0), soAscending);
  EXPECT_EQ(c.ItemSortIndex(0), -1);
  c.Log.clear();
  c.ChangeItemSortOrder(1, soNone);
  EXPECT_TRUE(c.Log.empty()) << "the current order changes nothing";
}

// ---------------------------------------------------------------------------------------------
// Grouping and expansion

TEST(DataControllerGrouping, TwoLevelsExpandAndCollapse) {
  TLoggingController c;
  c.AddTypedItem(kStr);
  c.AddTypedItem(kStr);
  c.AddTypedItem(kInt);
  c.Fill({{"a", "x", 1}, {"b", "y", 2}, {"a", "y", 3}, {"a", "x", 4}, {"b", "y", 5}});
  c.BeginUpdate();
  c.Groups()->ChangeItemGroupIndex(0, 0);
  c.Groups()->ChangeItemGroupIndex(1, 1);
  c.EndUpdate();
  EXPECT_EQ(c.RowTexts(2), Texts({"g:a", "g:b"})) << "all collapsed after grouping";
  c.Groups()->ChangeRowExpanding(0, true, false);
  EXPECT_EQ(c.RowTexts(2), Texts({"g:a+", "g:x", "g:y", "g:b"}));
  c.Groups()->ChangeRowExpanding(1, true, false);
  EXPECT_EQ(c.RowTexts(2), Texts({"g:a+", "g:x+", "1", "4", "g:y", "g:b"}));
  c.Groups()->ChangeRowExpanding(0, false, false);
  EXPECT_EQ(c.RowTexts(2), Texts({"g:a", "g:b"}));
  c.Groups()->ChangeRowExpanding(0, true, false);
  EXPECT_EQ(c.RowTexts(2), Texts({"g:a+", "g:x+", "1", "4", "g:y", "g:b"})) << "inner groups keep their flags";
  c.Groups()->FullExpand();
  EXPECT_EQ(c.RowTexts(2), Texts({"g:a+", "g:x+", "1", "4", "g:y+", "3", "g:b+", "g:y+", "2", "5"}));
  EXPECT_EQ(c.Groups()->ChildCount(-1), 2);
  std::vector<int> records;
  c.Groups()->CollectRowRecords(records, 0);
  EXPECT_EQ(records, (std::vector<int>{0, 3, 2}));
}

TEST(DataControllerGrouping, NoRecordsMeansNoGroups) {
  TLoggingController c;
  c.AddTypedItem(kStr);
  c.Groups()->ChangeItemGroupIndex(0, 0);
  EXPECT_EQ(c.RowCount(), 0);
  EXPECT_FALSE(c.Info()->IsGrouped());
}

TEST(DataControllerGrouping, OptionsDecideTheExpansionAfterARebuild) {
  struct Case {
    const char* name;
    TcxDataControllerOptions options;
    const char* expectedAfterRefresh;
  };
  std::vector<Case> cases = {
      {"saved by value", {dcoSaveExpanding}, "g:east g:north+ ann cid fay g:south"},
      {"not saved", {}, "g:east g:north g:south"},
      {"always expanded", {dcoGroupsAlwaysExpanded}, "g:east+ dan g:north+ ann cid fay g:south+ bob eve"},
  };
  for (const auto& tc : cases) {
    TLoggingController c;
    FillSales(c);
    c.SetOptions(tc.options);
    c.Groups()->ChangeItemGroupIndex(0, 0);
    c.Groups()->ChangeRowExpanding(1, true, false);  // north
    c.SetValue(3, 2, 100);                           // a rebuild
    String got;
    for (auto& t : c.RowTexts(1)) got += (got.empty() ? "" : " ") + t;
    EXPECT_EQ(got, tc.expectedAfterRefresh) << tc.name;
  }
}

TEST(DataControllerGrouping, ExpandedGroupWhoseValueDisappearsIsForgotten) {
  TLoggingController c;
  FillSales(c);
  c.Groups()->ChangeItemGroupIndex(0, 0);
  c.Groups()->ChangeRowExpanding(0, true, false);  // east
  c.Filter()->AddItem(nullptr, c.ItemObject(0), foNotEqual, "east", "east");
  c.Filter()->SetActive(true);
  EXPECT_EQ(c.RowTexts(1), Texts({"g:north", "g:south"}));
  c.Filter()->SetActive(false);
  EXPECT_EQ(c.RowTexts(1)[0], "g:east") << "east comes back collapsed";
}

// ---------------------------------------------------------------------------------------------
// Focus

TEST(DataControllerFocus, FollowsItsRecordThroughSortingFilteringAndCollapsing) {
  TLoggingController c;
  FillSales(c);
  c.ChangeFocusedRecordIndex(4);  // eve
  c.ChangeItemSortOrder(1, soDescending);
  EXPECT_EQ(c.FocusedRecordIndex(), 4);
  EXPECT_EQ(c.FocusedRowIndex(), 1) << "fay eve dan ...";
  // Grouping: the focus row showed level 0 and eve starts its group, so the group row of
  // south (first eve, then bob) takes the focus.
  c.Groups()->ChangeItemGroupIndex(0, 0);
  int groupRow = c.FocusedRowIndex();
  ASSERT_EQ(c.RowTexts(1)[std::size_t(groupRow)], "g:south");
  EXPECT_EQ(c.FocusedRecordIndex(), 4);
  // Focusing the record expands its group; collapsing moves the focus to the group row and
  // expanding does not move it back.
  c.ChangeFocusedRecordIndex(4);
  EXPECT_EQ(c.FocusedRowIndex(), groupRow + 1);
  EXPECT_EQ(c.RowTexts(1)[std::size_t(groupRow)], "g:south+");
  c.Groups()->ChangeRowExpanding(groupRow, false, false);
  EXPECT_EQ(c.FocusedRowIndex(), groupRow);
  c.Groups()->ChangeRowExpanding(groupRow, true, false);
  EXPECT_EQ(c.FocusedRowIndex(), groupRow);
  // A filter that hides the focused record focuses the first row.
  c.Groups()->ClearGrouping();
  c.ChangeFocusedRecordIndex(4);
  c.Filter()->AddItem(nullptr, c.ItemObject(0), foEqual, "north", "north");
  c.Filter()->SetActive(true);
  EXPECT_EQ(c.RowCount(), 3);
  EXPECT_EQ(c.FocusedRowIndex(), 0);
  EXPECT_EQ(c.RowIndexOfRecord(4, false), -1) << "a filtered record has no row";
}

TEST(DataControllerFocus, NavigationClampsToTheRows) {
  TLoggingController c;
  FillSales(c);
  c.ChangeFocusedRowIndex(-1);
  EXPECT_FALSE(c.IsBOF());
  c.GotoPrev();
  EXPECT_EQ(c.FocusedRowIndex(), 0);
  c.GotoLast();
  c.GotoNext();
  EXPECT_EQ(c.FocusedRowIndex(), 5);
  EXPECT_TRUE(c.IsEOF());
  c.MoveBy(-100);
  EXPECT_EQ(c.FocusedRowIndex(), 0);
  c.ChangeFocusedRowIndex(50);
  EXPECT_EQ(c.FocusedRowIndex(), 5);
  TLoggingController empty;
  empty.AddTypedItem(kInt);
  EXPECT_TRUE(empty.IsBOF());
  EXPECT_TRUE(empty.IsEOF());
}

TEST(DataControllerFocus, RefocusingTheSameRowReportsNothingButAReReadReportsTheRecord) {
  TLoggingController c;
  FillSales(c);
  c.ChangeFocusedRowIndex(2);
  c.Log.clear();
  c.ChangeFocusedRowIndex(2);
  EXPECT_TRUE(Only(c.Log, "Row").empty());
  c.CheckFocusing();
  EXPECT_EQ(Only(c.Log, "Record"), Texts({"Record(2,2)"}));
}

// ---------------------------------------------------------------------------------------------
// Selection

TEST(DataControllerSelection, RangesAnchorsAndSingleSelection) {
  TLoggingController c;
  FillSales(c);
  c.SelectRows(1, 3);
  EXPECT_EQ(c.CountSelectedRows(), 0) << "single selection: only the focused row";
  c.ChangeFocusedRowIndex(2);
  EXPECT_EQ(c.CountSelectedRows(), 1);
  c.ChangeFocusedRowSelected(false);
  EXPECT_EQ(c.CountSelectedRows(), 0);
  c.SetMultiSelect(true);
  EXPECT_EQ(c.CountSelectedRows(), 1) << "switching selects the focused row";
  c.SelectFromAnchor(5, false);
  EXPECT_EQ(c.CountSelectedRows(), 1) << "no anchor, nothing";
  c.SetSelectionAnchor(2);
  c.SelectFromAnchor(4, false);
  EXPECT_EQ(c.CountSelectedRows(), 3);
  c.SelectRows(5, 0);
  EXPECT_EQ(c.CountSelectedRows(), 6);
  c.ChangeRowSelection(2, false);
  EXPECT_FALSE(c.IsSelectionAnchorAssigned()) << "deleting the anchor's entry clears the anchor";
  EXPECT_EQ(c.CountSelectedRows(), 5);
}

TEST(DataControllerSelection, RegroupingKeepsGroupRowsAndDropsHiddenRecords) {
  TLoggingController c;
  FillSales(c);
  c.SetMultiSelect(true);
  c.Groups()->ChangeItemGroupIndex(0, 0);
  c.Groups()->ChangeRowExpanding(1, true, false);  // east, north+ (ann cid fay), south
  ASSERT_EQ(c.RowTexts(1), Texts({"g:east", "g:north+", "ann", "cid", "fay", "g:south"}));
  c.ClearSelection();
  c.ChangeRowSelection(0, true);  // the east group row
  c.ChangeRowSelection(3, true);  // cid
  c.ChangeItemSortOrder(2, soDescending);  // a rebuild: north+ fay ann cid
  ASSERT_EQ(c.RowTexts(1), Texts({"g:east", "g:north+", "fay", "ann", "cid", "g:south"}));
  EXPECT_EQ(c.CountSelectedRows(), 2);
  EXPECT_TRUE(c.IsRowSelected(0));
  EXPECT_TRUE(c.IsRowSelected(4)) << "cid moved and stays selected";
  c.Groups()->ChangeRowExpanding(1, false, false);
  c.Refresh();
  EXPECT_EQ(c.CountSelectedRows(), 1) << "a record hidden in a collapsed group leaves the selection";
  c.Groups()->ChangeItemGroupIndex(1, 0);  // other grouping fields: nothing is re-applied
  EXPECT_EQ(c.CountSelectedRows(), 0);
}

TEST(DataControllerSelection, GroupRowsMergedByAValueChangeAreSelectedOnce) {
  TLoggingController c;
  c.AddTypedItem(kStr);
  c.Fill({{"a"}, {"b"}});
  c.SetMultiSelect(true);
  c.Groups()->ChangeItemGroupIndex(0, 0);
  c.ChangeRowSelection(0, true);
  c.ChangeRowSelection(1, true);
  ASSERT_EQ(c.CountSelectedRows(), 2);
  c.SetValue(0, 0, "b");  // both records now in group b
  ASSERT_EQ(c.RowCount(), 1);
  EXPECT_EQ(c.CountSelectedRows(), 1);
  EXPECT_TRUE(c.IsRowSelected(0));
}

// Random operations on a grouped or plain controller against a plain model of its records:
// the rows are the model's values (sorted, or their groups), and the selection holds each row
// once and never more rows than exist. Seeded, and bounded in operations and in time (a slow
// machine runs fewer seeds).
TEST(DataControllerSelection, RandomOperationsKeepRowsAndSelectionConsistent) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  for (uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
    if (seed > 1 && std::chrono::steady_clock::now() > deadline) break;
    uint32_t state = seed;
    auto rnd = [&](uint32_t n) {
      state = state * 1664525u + 1013904223u;
      return (state >> 8) % n;
    };
    TLoggingController c;
    c.AddTypedItem(kStr);
    c.SetMultiSelect(true);
    c.ChangeItemSortOrder(0, soAscending);
    std::vector<String> model;
    bool grouped = false;
    const char* values[] = {"a", "b", "c", "d"};
    for (int step = 0; step < 400; ++step) {
      String trace = "seed " + std::to_string(seed) + " step " + std::to_string(step);
      switch (rnd(9)) {
        case 0:
        case 1: {
          String v = values[rnd(4)];
          int r = c.AppendRecord();
          c.SetValue(r, 0, v);
          model.push_back(v);
          break;
        }
        case 2:
          if (!model.empty()) {
            int r = int(rnd(uint32_t(model.size())));
            c.DeleteRecord(r);
            model.erase(model.begin() + r);
          }
          break;
        case 3:
        case 4:
          if (!model.empty()) {
            int r = int(rnd(uint32_t(model.size())));
            String v = values[rnd(4)];
            c.SetValue(r, 0, v);
            model[std::size_t(r)] = v;
          }
          break;
        case 5:
          grouped = !grouped;
          c.Groups()->ChangeItemGroupIndex(0, grouped ? 0 : -1);
          break;
        case 6:
          if (c.RowCount() > 0) c.ChangeRowSelection(int(rnd(uint32_t(c.RowCount()))), rnd(3) != 0);
          break;
        case 7:
          if (grouped && c.RowCount() > 0) c.Groups()->ChangeRowExpanding(int(rnd(uint32_t(c.RowCount()))), rnd(2) == 0, false);
          break;
        case 8:
          if (rnd(4) == 0) c.ClearSelection();
          else c.SelectAll();
          break;
      }
      std::vector<String> sorted = model;
      std::sort(sorted.begin(), sorted.end());
      std::vector<String> groups = sorted;
      groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
      if (grouped) {
        std::vector<String> shown;
        for (const String& t : c.RowTexts(0))
          if (t.rfind("g:", 0) == 0) shown.push_back(t.substr(2, t.size() - 2 - (t.back() == '+' ? 1 : 0)));
        ASSERT_EQ(shown, groups) << trace;
      } else {
        ASSERT_EQ(c.RowTexts(0), sorted) << trace;
      }
      int n = c.CountSelectedRows();
      ASSERT_LE(n, c.RowCount()) << trace;
      std::vector<int> rows;
      for (int i = 0; i < n; ++i) {
        int row = c.GetSelectedRowIndex(i);
        ASSERT_GE(row, 0) << trace;
        ASSERT_LT(row, c.RowCount()) << trace;
        ASSERT_TRUE(c.IsRowSelected(row)) << trace;
        rows.push_back(row);
      }
      std::sort(rows.begin(), rows.end());
      ASSERT_EQ(std::adjacent_find(rows.begin(), rows.end()), rows.end()) << trace << ": a row selected twice";
    }
  }
}

TEST(DataControllerSelection, DeletingAMiddleRecordKeepsSelectionAndBookmarkOnTheirRecords) {
  TLoggingController c;
  FillSales(c);
  c.SetMultiSelect(true);
  c.ChangeFocusedRowIndex(4);  // eve
  c.SaveBookmark();
  c.ClearSelection();
  c.ChangeRowSelection(3, true);  // dan
  c.ChangeRowSelection(5, true);  // fay
  c.DeleteRecord(1);               // bob
  EXPECT_EQ(c.GetValue(c.BookmarkRecordIndex(), 1).AsString(), "eve");
  std::vector<String> selected;
  for (int i = 0; i < c.CountSelectedRows(); ++i)
    selected.push_back(c.GetDisplayText(c.RowInfoAt(c.GetSelectedRowIndex(i)).RecordIndex, 1));
  EXPECT_EQ(selected, Texts({"dan", "fay"}));
  c.DeleteRecord(c.BookmarkRecordIndex());
  EXPECT_FALSE(c.IsBookmarkAvailable()) << "deleting the bookmarked record clears the bookmark";
}

TEST(DataControllerSelection, BookmarkHiddenByAFilterIsCleared) {
  TLoggingController c;
  FillSales(c);
  c.ChangeFocusedRowIndex(1);  // bob
  c.SaveBookmarkNotify();
  c.Log.clear();
  c.Filter()->AddItem(nullptr, c.ItemObject(0), foEqual, "north", "north");
  c.Filter()->SetActive(true);
  EXPECT_FALSE(c.IsBookmarkAvailable());
  EXPECT_EQ(Only(c.Log, "Bookmark").size(), 1u);
}

// ---------------------------------------------------------------------------------------------
// Editing

TEST(DataControllerEditing, InsertAppendPostAndCancel) {
  TLoggingController c;
  c.AddTypedItem(kInt);
  c.Fill({{10}, {20}, {30}});
  c.ChangeFocusedRowIndex(2);
  c.Append();
  EXPECT_EQ(c.GetRecordCount(), 4);
  EXPECT_EQ(c.FocusedRecordIndex(), 3);
  c.Log.clear();
  c.Post();
  EXPECT_EQ(c.GetRecordCount(), 3) << "posting an untouched new record cancels it";
  EXPECT_EQ(Only(c.Log, "Data"), Texts({"Data(3,-1,-1)"})) << "the owner learns that a row went away";
  EXPECT_EQ(c.FocusedRecordIndex(), 2);

  c.ChangeFocusedRowIndex(-1);
  c.Insert();
  EXPECT_EQ(c.FocusedRecordIndex(), 0) << "inserting without focus inserts before record 0";
  EXPECT_TRUE(c.SetEditValue(0, 5, 0));
  c.Post();
  EXPECT_EQ(c.GetRecordCount(), 4);
  EXPECT_EQ(c.GetValue(0, 0).AsInteger(), 5);

  c.ChangeFocusedRowIndex(1);
  c.Edit();
  c.SetEditValue(0, 99, 0);
  EXPECT_EQ(c.GetValue(1, 0).AsInteger(), 99);
  c.Cancel();
  EXPECT_EQ(c.GetValue(1, 0).AsInteger(), 10) << "cancel restores the saved copy";

  c.GotoLast();
  c.Append();
  c.Cancel();
  EXPECT_EQ(c.GetRecordCount(), 4);
  EXPECT_EQ(c.FocusedRowIndex(), 3) << "the focus stays on the new last row";
}

TEST(DataControllerEditing, EditedRecordStaysBetweenItsNeighboursUntilPosted) {
  TLoggingController c;
  c.AddTypedItem(kInt);
  c.Fill({{10}, {20}, {30}});
  c.ChangeItemSortOrder(0, soAscending);
  c.ChangeFocusedRowIndex(0);
  c.Edit();
  c.SetEditValue(0, 25, 0);
  c.Refresh();
  EXPECT_EQ(c.RowInfoAt(0).RecordIndex, 0) << "the row does not move while editing";
  c.Post();
  EXPECT_EQ(c.RowInfoAt(1).RecordIndex, 0);
  EXPECT_EQ(c.FocusedRecordIndex(), 0);
}

TEST(DataControllerEditing, ImmediatePostOnlyWhenTheValueWasAccepted) {
  TLoggingController c;
  c.AddTypedItem(kInt);
  c.Fill({{1}, {2}});
  c.SetOptions(c.GetOptions() + dcoImmediatePost);
  int posts = 0;
  c.OnAfterPost = [&](TcxCustomDataController*) { ++posts; };
  c.ChangeFocusedRowIndex(0);
  c.SetEditValue(0, 7, 0);
  EXPECT_EQ(posts, 1);
  EXPECT_FALSE(c.IsEditing());
}

TEST(DataControllerEditing, DeletingTheFocusedRowFocusesTheNearestRow) {
  TLoggingController c;
  FillSales(c);
  c.Groups()->ChangeItemGroupIndex(0, 0);
  c.Groups()->FullExpand();  // east+ dan north+ ann cid fay south+ bob eve
  c.ChangeFocusedRecordIndex(2);  // cid
  c.DeleteFocused();
  EXPECT_EQ(c.GetDisplayText(c.FocusedRecordIndex(), 1), "fay");
  c.ChangeFocusedRowIndex(0);  // the east group row
  c.DeleteFocused();
  EXPECT_EQ(c.GetRecordCount(), 4) << "the group's records are gone";
}

// ---------------------------------------------------------------------------------------------
// Provider mode

namespace {

class TListSource : public TcxCustomDataSource {
 public:
  std::vector<std::vector<Variant>> Rows;
  int GetRecordCount() override { return int(Rows.size()); }
  Variant GetValue(int h, int item) override { return Rows.at(std::size_t(h)).at(std::size_t(item)); }
  void SetValue(int h, int item, const Variant& v) override { Rows.at(std::size_t(h)).at(std::size_t(item)) = v; }
  int AppendRecord() override {
    Rows.push_back(std::vector<Variant>(2, Null()));
    DataChanged();
    return int(Rows.size()) - 1;
  }
  void DeleteRecord(int h) override {
    Rows.erase(Rows.begin() + h);
    DataChanged();
  }
  bool IsRecordIdSupported() override { return true; }
  Variant GetRecordId(int h) override { return Rows.at(std::size_t(h)).at(0); }
};

}  // namespace

TEST(DataControllerProvider, ReadsAndWritesThroughTheSource) {
  TListSource source;
  source.Rows = {{1, "a"}, {2, "b"}, {3, "c"}};
  TLoggingController c;
  c.AddTypedItem(kInt);
  c.AddTypedItem(kStr);
  c.Provider()->SetCustomDataSource(&source);
  EXPECT_TRUE(c.IsProviderMode());
  EXPECT_EQ(c.GetRecordCount(), 3);
  EXPECT_EQ(c.GetValue(1, 1).AsString(), "b");
  c.SetValue(2, 1, "z");
  EXPECT_EQ(source.Rows[2][1].AsString(), "z");
  c.ChangeItemSortOrder(1, soDescending);
  EXPECT_EQ(c.RowInfoAt(0).RecordIndex, 2);
  // Selected records survive the deletion of another record by their keys.
  c.SetMultiSelect(true);
  c.ClearSelection();
  c.ChangeRowSelection(0, true);  // z (key 3)
  c.ChangeRowSelection(2, true);  // a (key 1)
  c.BeginKeepState();
  c.DeleteRecord(1);  // b
  c.EndKeepState();
  ASSERT_EQ(source.Rows.size(), 2u);
  std::vector<int> keys;
  for (int i = 0; i < c.CountSelectedRows(); ++i)
    keys.push_back(c.GetValue(c.RowInfoAt(c.GetSelectedRowIndex(i)).RecordIndex, 0).AsInteger());
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, (std::vector<int>{1, 3}));
  c.Provider()->SetCustomDataSource(nullptr);
  EXPECT_EQ(c.GetRecordCount(), 0);
}

TEST(DataControllerProvider, ProviderWithoutSourceAnswersEmptyValues) {
  TLoggingController c;
  c.AddTypedItem(kInt);
  TcxCustomDataProvider* p = c.Provider();
  EXPECT_TRUE(p->GetRecordValue(0, c.Fields()->Items(0)).IsNull());
  EXPECT_EQ(p->GetDisplayText(0, c.Fields()->Items(0)), "");
  EXPECT_EQ(p->AppendRecord(), -1);
  EXPECT_FALSE(p->GetDetailHasChildren(0, 0));
  TcxCustomDataSource plain;
  c.Provider()->SetCustomDataSource(&plain);
  EXPECT_EQ(c.GetRecordCount(), 0);
  EXPECT_EQ(c.AppendRecord(), -1);
}

// ---------------------------------------------------------------------------------------------
// Summaries

TEST(DataControllerSummary, FooterValuesByKindAndNullHandling) {
  struct Case {
    const char* name;
    std::vector<Variant> values;
    TcxSummaryKind kind;
    bool nullIgnore;
    const char* expected;  // value as text, "null" for Null
  };
  std::vector<Case> cases = {
      {"average counts nulls", {5, Null(), 7}, skAverage, false, "4"},
      {"average ignoring nulls", {5, Null(), 7}, skAverage, true, "6"},
      {"count of nulls", {Null(), Null()}, skCount, false, "2"},
      {"count ignoring nulls", {Null(), Null()}, skCount, true, "0"},
      {"min over null, 3, 1", {Null(), 3, 1}, skMin, false, "1"},
      {"min over null only", {Null()}, skMin, false, "null"},
      {"sum over null only", {Null()}, skSum, false, "0"},
      {"sum over null only ignoring", {Null()}, skSum, true, "null"},
      {"sum of text adds nothing", {"12", "abc", 3}, skSum, false, "3"},
      {"max of text is text", {"pear", "apple"}, skMax, false, "pear"},
      {"integer sum widens", {2147483647, 2147483647, 2}, skSum, false, "4294967296"},
  };
  for (const auto& tc : cases) {
    TLoggingController c;
    c.AddTypedItem(kVar);
    std::vector<std::vector<Variant>> rows;
    for (auto& v : tc.values) rows.push_back({v});
    TcxDataSummaryItem* item = c.Summary()->FooterSummaryItems()->AddLinked(c.ItemObject(0), spFooter, "", tc.kind);
    (void)item;
    if (tc.nullIgnore) c.Summary()->SetOptions({soNullIgnore});
    c.Fill(rows);
    Variant v = c.Summary()->FooterSummaryValue(0);
    EXPECT_EQ(v.IsNull() ? String("null") : v.AsString(), tc.expected) << tc.name;
  }
}

TEST(DataControllerSummary, DisplayTextsOfFooterAndGroupRows) {
  TLoggingController c;
  FillSales(c);
  auto* f = c.Summary()->FooterSummaryItems();
  f->AddLinked(c.ItemObject(2), spFooter, "", skSum);
  f->AddLinked(c.ItemObject(1), spFooter, "", skMax);
  auto* g = c.Summary()->DefaultGroupSummaryItems();
  g->AddLinked(c.ItemObject(2), spGroup, "", skSum);
  g->AddLinked(c.ItemObject(2), spGroup, "", skCount);
  c.Groups()->ChangeItemGroupIndex(0, 0);
  EXPECT_EQ(c.Summary()->FooterSummaryDisplayText(0), "27.00");
  EXPECT_EQ(c.Summary()->FooterSummaryDisplayText(1), "MAX=fay") << "text displays as text";
  EXPECT_EQ(c.Summary()->GroupSummaryText(1), "(SUM=15.00, COUNT=3)");  // north
}

TEST(DataControllerSummary, GroupsSortedBySummary) {
  TLoggingController c;
  FillSales(c);
  auto* g = c.Summary()->DefaultGroupSummaryItems();
  TcxDataSummaryItem* sum = g->AddLinked(c.ItemObject(2), spGroup, "", skSum);
  c.Groups()->ChangeItemGroupIndex(0, 0);
  sum->SetSorted(true);
  EXPECT_EQ(c.RowTexts(1), Texts({"g:east", "g:south", "g:north"})) << "sums 3, 9, 15";
  c.Groups()->ChangeRowExpanding(2, true, false);
  EXPECT_EQ(c.RowTexts(1), Texts({"g:east", "g:south", "g:north+", "ann", "cid", "fay"}));
  TcxDataSummaryItem* count = g->AddLinked(c.ItemObject(1), spGroup, "", skCount);
  count->SetSorted(true);
  EXPECT_FALSE(sum->Sorted()) << "one sorted item per collection";
  EXPECT_EQ(c.RowTexts(1)[0], "g:east") << "counts 1, 2, 3";
  c.SetSortingBySummaryDataItemIndex(2);  // the sum item decides, whatever the flags say
  c.Groups()->FullCollapse();
  EXPECT_EQ(c.RowTexts(1), Texts({"g:east", "g:south", "g:north"}));
  sum->SetSorted(true);
  EXPECT_FALSE(sum->Sorted()) << "flags stay while the controller names the item";
}

// ---------------------------------------------------------------------------------------------
// Incremental search, incremental filter, text location

TEST(DataControllerSearch, LocateStartsAtTheFocusedRecordAndWrapsOnce) {
  struct Case {
    const char* name;
    int focusedRow;
    const char* text;
    int expectedRow;  // -1: not found
  };
  // Rows: apple Banana berry cherry
  std::vector<Case> cases = {
      {"focused berry still matches", 2, "b", 2},
      {"from apple to Banana, any case", 0, "B", 1},
      {"wraps from the last row", 3, "a", 0},
      {"nothing matches", 1, "z", -1},
      {"empty text finds nothing", 1, "", -1},
  };
  for (const auto& tc : cases) {
    TLoggingController c;
    c.AddTypedItem(kStr);
    c.Fill({{"apple"}, {"Banana"}, {"berry"}, {"cherry"}});
    c.ChangeFocusedRowIndex(tc.focusedRow);
    bool found = c.Search()->Locate(0, tc.text);
    EXPECT_EQ(found, tc.expectedRow != -1) << tc.name;
    EXPECT_EQ(c.FocusedRowIndex(), found ? tc.expectedRow : tc.focusedRow) << tc.name;
    EXPECT_EQ(c.Searching(), found) << tc.name;
  }
}

TEST(DataControllerSearch, LocateNextNeverWrapsAndAFocusMoveEndsTheSearch) {
  TLoggingController c;
  c.AddTypedItem(kStr);
  c.Fill({{"bob"}, {"ann"}, {"bea"}, {"cid"}});
  ASSERT_TRUE(c.Search()->Locate(0, "b"));
  EXPECT_EQ(c.FocusedRowIndex(), 0);
  EXPECT_FALSE(c.Search()->LocateNext(false)) << "no wrap backwards";
  EXPECT_TRUE(c.Search()->LocateNext(true));
  EXPECT_EQ(c.FocusedRowIndex(), 2);
  EXPECT_FALSE(c.Search()->LocateNext(true));
  EXPECT_EQ(c.FocusedRowIndex(), 2);
  EXPECT_TRUE(c.Searching()) << "the search's own focus moves keep it";
  c.Log.clear();
  c.GotoFirst();
  EXPECT_FALSE(c.Searching());
}

TEST(DataControllerSearch, FindsARecordInsideACollapsedGroup) {
  TLoggingController c;
  FillSales(c);
  c.Groups()->ChangeItemGroupIndex(0, 0);
  ASSERT_TRUE(c.Search()->Locate(1, "fa"));
  EXPECT_EQ(c.GetDisplayText(c.FocusedRecordIndex(), 1), "fay");
  EXPECT_EQ(c.RowTexts(1)[1], "g:north+");
}

TEST(DataControllerSearch, FindRecordIndexByTextWrapsBothWays) {
  TLoggingController c;
  c.AddTypedItem(kStr);
  c.Fill({{"ab"}, {"b"}, {"abc"}, {"c"}});
  struct Case {
    int start;
    const char* text;
    bool partial, wrap, forward;
    int expected;
  };
  std::vector<Case> cases = {
      {1, "ab", true, false, true, 2},  {3, "ab", true, false, true, -1}, {3, "ab", true, true, true, 0},
      {0, "ab", false, true, false, 0}, {0, "abc", true, true, false, 2}, {1, "c", false, false, false, -1},
      {4, "ab", true, true, true, -1},
  };
  for (const auto& tc : cases)
    EXPECT_EQ(c.FindRecordIndexByText(tc.start, 0, tc.text, tc.partial, tc.wrap, tc.forward), tc.expected)
        << tc.start << " " << tc.text;
}

TEST(DataControllerSearch, IncrementalFilterHidesAndResetBringsBack) {
  TLoggingController c;
  FillSales(c);
  EXPECT_EQ(c.ChangeIncrementalFilterText(1, "E"), 4);
  EXPECT_EQ(c.RowCount(), 1);
  EXPECT_EQ(c.ChangeIncrementalFilterText(1, "zz"), -1);
  EXPECT_EQ(c.RowCount(), 0);
  c.ResetIncrementalFilter();
  EXPECT_EQ(c.RowCount(), 6);
}

// ---------------------------------------------------------------------------------------------
// The unbound data stream

TEST(DataControllerStream, RoundTripKeepsValuesAndTexts) {
  TLoggingController a;
  a.AddTypedItem(kStr);
  a.AddTypedItem(kInt);
  a.Fill({{"x", 1}, {Null(), 2}, {"z", Null()}});
  TMemoryStream s;
  a.WriteDataToStream(s);
  s.SetPosition(0);
  EXPECT_EQ(StreamReadAnsiText(s), "DataController1");
  EXPECT_EQ(StreamReadInt32(s), 2);
  EXPECT_EQ(StreamReadAnsiText(s), "TcxStringValueType");
  EXPECT_EQ(StreamReadAnsiText(s), "TcxIntegerValueType");
  EXPECT_EQ(StreamReadInt32(s), 3);

  TLoggingController b;
  b.AddTypedItem(kStr);
  b.AddTypedItem(kInt);
  b.Fill({{"old", 9}});
  s.SetPosition(0);
  b.ReadDataFromStream(s);
  ASSERT_EQ(b.GetRecordCount(), 3);
  for (int r = 0; r < 3; ++r)
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(VariantsCompareEqual(a.GetValue(r, i), b.GetValue(r, i))) << r << i;
}

TEST(DataControllerStream, ForeignOrBrokenStreamsAreRefusedAndChangeNothing) {
  TLoggingController a;
  a.AddTypedItem(kStr);
  a.AddTypedItem(kInt);
  a.Fill({{"x", 1}, {"y", 2}});
  TMemoryStream good;
  a.WriteDataToStream(good);
  auto bytes = [&](std::size_t from, std::size_t n) {
    std::vector<Byte> v(n);
    good.SetPosition(Int64(from));
    good.ReadBuffer(v.data(), Int64(n));
    return v;
  };
  std::vector<Byte> all = bytes(0, std::size_t(good.Size()));
  struct Case {
    const char* name;
    std::function<void(std::vector<Byte>&)> spoil;
  };
  std::vector<Case> cases = {
      {"signature", [](auto& v) { v[4] = 'd'; }},
      {"definition count", [](auto& v) { v[19] = 3; }},
      {"type name", [](auto& v) { v[27] = 'X'; }},
      {"cut in the records", [](auto& v) { v.resize(v.size() - 3); }},
      {"cut in the header", [](auto& v) { v.resize(10); }},
      // The record count follows the signature (19 bytes), N (4) and the two type names (22, 23).
      {"huge record count", [](auto& v) { v[71] = 0x7F; }},
      {"empty", [](auto& v) { v.clear(); }},
  };
  for (const auto& tc : cases) {
    TLoggingController b;
    b.AddTypedItem(kStr);
    b.AddTypedItem(kInt);
    b.Fill({{"keep", 7}});
    std::vector<Byte> v = all;
    tc.spoil(v);
    TMemoryStream s;
    if (!v.empty()) s.WriteBuffer(v.data(), Int64(v.size()));
    s.SetPosition(0);
    try {
      b.ReadDataFromStream(s);
      ADD_FAILURE() << tc.name << ": accepted";
    } catch (EcxInvalidDataControllerOperation& e) {
      EXPECT_EQ(e.Message(), "Invalid stream format") << tc.name;
    }
    ASSERT_EQ(b.GetRecordCount(), 1) << tc.name;
    EXPECT_EQ(b.GetValue(0, 0).AsString(), "keep") << tc.name;
  }
  TLoggingController other;
  other.AddTypedItem(kStr);
  other.AddTypedItem(kStr);
  good.SetPosition(0);
  EXPECT_THROW(other.ReadDataFromStream(good), EcxInvalidDataControllerOperation) << "another value type";
}

TEST(DataControllerStream, ABrokenStreamHoldsNoMoreThanOneRecordBeforeItIsRefused) {
  // Records are checked one after the other in a single record before the count is taken:
  // a stream of many records that breaks at its end never makes the storage hold them.
  struct TWatchedStream : TMemoryStream {
    std::function<void()> OnRead;
    Int64 Read(void* buffer, Int64 count) override {
      if (OnRead) OnRead();
      return TMemoryStream::Read(buffer, count);
    }
  };
  TLoggingController a;
  a.AddTypedItem(kStr);
  a.AddTypedItem(kInt);
  a.Fill({{"x", 1}});
  TMemoryStream header;
  a.WriteDataToStream(header);
  TWatchedStream s;
  s.WriteBuffer(header.Memory(), 68);  // the signature, the definitions: up to the record count
  const int n = 5000;
  s.WriteInt32(n);
  for (int r = 0; r < n - 1; ++r) {
    s.WriteByte(0);  // a record with a buffer
    s.WriteByte(1);  // null text
    s.WriteByte(1);  // null integer
  }
  s.WriteByte(0);
  s.WriteByte(0);  // a text whose length is cut off
  s.SetPosition(0);
  TLoggingController b;
  b.AddTypedItem(kStr);
  b.AddTypedItem(kInt);
  b.Fill({{"keep", 7}});
  int most = 0;
  s.OnRead = [&] { most = std::max(most, b.Storage()->RecordsCount()); };
  EXPECT_THROW(b.ReadDataFromStream(s), EcxInvalidDataControllerOperation);
  EXPECT_LE(most, 1);
  ASSERT_EQ(b.GetRecordCount(), 1);
  EXPECT_EQ(b.GetValue(0, 0).AsString(), "keep");
}

TEST(DataControllerStream, ProviderModeRefusesBothDirectionsBeforeWriting) {
  TListSource source;
  source.Rows = {{1, "a"}};
  TLoggingController c;
  c.AddTypedItem(kInt);
  c.AddTypedItem(kStr);
  c.Provider()->SetCustomDataSource(&source);
  TMemoryStream s;
  for (bool write : {true, false}) {
    try {
      if (write)
        c.WriteDataToStream(s);
      else
        c.ReadDataFromStream(s);
      ADD_FAILURE() << "accepted";
    } catch (EcxInvalidDataControllerOperation& e) {
      EXPECT_EQ(e.Message(), "This operation is not supported in provider mode");
    }
  }
  EXPECT_EQ(s.Size(), 0) << "nothing half written";
}

// ---------------------------------------------------------------------------------------------
// Filter criteria of the controller

TEST(DataControllerFilter, ValueListOffersSortedUniqueValuesAndTheFixedEntries) {
  TLoggingController c;
  c.AddTypedItem(kStr);
  c.AddTypedItem(kInt);
  c.Fill({{"b", 1}, {Null(), 2}, {"a", 3}, {"b", 4}});
  std::unique_ptr<TcxDataFilterValueList> list(c.Filter()->CreateValueList());
  list->Load(0);
  std::vector<String> texts;
  for (int i = 0; i < list->ValueCount(); ++i) texts.push_back(list->ValueItemAt(i)->DisplayText);
  EXPECT_EQ(texts, Texts({"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)", "a", "b"}));
  // Only filtered records, none blank, but an active NonBlanks condition still offers it.
  c.Filter()->AddItem(nullptr, c.ItemObject(0), foIsNotNull, Null(), "");
  c.Filter()->SetActive(true);
  list->Load(0, true, true);
  texts.clear();
  for (int i = 0; i < list->ValueCount(); ++i) texts.push_back(list->ValueItemAt(i)->DisplayText);
  EXPECT_EQ(texts, Texts({"(All)", "(Custom...)", "(NonBlanks)", "a", "b"}));
  EXPECT_EQ(c.Filter()->ItemByItemLink(c.ItemObject(0))->GetItemLink(), c.ItemObject(0))
      << "conditions show their item";
}

TEST(DataControllerFilter, WorkingCriteriaDoNotFilterAndFilterRecordHandlerDoes) {
  TLoggingController c;
  FillSales(c);
  TcxDataFilterCriteria* working = c.CreateFilter();
  working->AddItem(nullptr, c.ItemObject(0), foEqual, "north", "north");
  working->SetActive(true);
  EXPECT_EQ(c.RowCount(), 6);
  c.SetOnFilterRecord([](TcxCustomDataController* dc, int r, bool& accept) { accept = dc->GetValue(r, 2).AsInteger() > 4; });
  EXPECT_EQ(c.RowCount(), 3);
  c.ChangeFocusedRowIndex(0);
  c.Edit();
  c.SetEditValue(2, 0, 0);  // the edited record stays although it no longer passes
  c.Refresh();
  EXPECT_EQ(c.RowCount(), 3);
  c.Post();
  EXPECT_EQ(c.RowCount(), 2);
}

// A criteria made by CreateFilter and freed by its user is no longer told of removed items
// (it was, after being freed).
TEST(DataControllerFilter, AFreedWorkingCriteriaLeavesTheController) {
  TLoggingController c;
  FillSales(c);
  TcxDataFilterCriteria* kept = c.CreateFilter();
  TcxDataFilterCriteria* freed = c.CreateFilter();
  kept->AddItem(nullptr, c.ItemObject(0), foEqual, "north", "north");
  freed->AddItem(nullptr, c.ItemObject(0), foEqual, "north", "north");
  delete freed;
  c.RemoveItem(c.ItemObject(0));
  EXPECT_TRUE(kept->IsEmpty());
}

// ---------------------------------------------------------------------------------------------
// Master-detail

namespace {

// A master that makes one clone controller per link object, as a grid's detail level does.
class TMasterController : public TLoggingController {
 public:
  struct TLink : TObject {
    std::unique_ptr<TLoggingController> Clone;
  };
  TObject* CreateDetailLinkObject(TcxCustomDataRelation* relation, int recordIndex) override {
    ++Created;
    auto* link = new TLink;
    link->Clone = std::make_unique<TLoggingController>();
    link->Clone->SetMasterRelation(relation, recordIndex);
    return link;
  }
  TcxCustomDataController* GetDetailDataControllerByLinkObject(TObject* link) override {
    auto* l = dynamic_cast<TLink*>(link);
    return l ? l->Clone.get() : nullptr;
  }
  int Created = 0;
};

class TChildrenSource : public TcxCustomDataSource {
 public:
  int GetRecordCount() override { return 3; }
  Variant GetValue(int h, int) override { return Variant(h); }
  bool GetDetailHasChildren(int recordIndex, int) override {
    ++Asked;
    return recordIndex != 1;
  }
  int Asked = 0;
};

}  // namespace

TEST(DataControllerDetails, ModesFollowTheRelationAndThePatternFlag) {
  TMasterController master;
  master.AddTypedItem(kInt);
  master.SetRecordCount(6);
  TcxCustomDataRelation* relation = master.RelationList()->AddRelation(nullptr);
  TLoggingController detail;
  struct Case {
    TcxCustomDataRelation* relation;
    int masterRecord;
    bool pattern;
    int mode;
  };
  for (auto tc : std::vector<Case>{{nullptr, -1, false, 0}, {nullptr, -1, true, 1}, {relation, -1, false, 1}, {relation, 5, false, 2}}) {
    detail.SetIsPattern(tc.pattern);
    detail.SetMasterRelation(tc.relation, tc.masterRecord);
    EXPECT_EQ(detail.DetailMode(), tc.mode);
    detail.SetMasterRelation(nullptr, -1);
  }
}

TEST(DataControllerDetails, ExpandingLinkObjectsAndHasChildren) {
  TChildrenSource source;
  TMasterController master;
  master.AddTypedItem(kInt);
  master.Provider()->SetCustomDataSource(&source);
  TcxCustomDataRelation* relation = master.RelationList()->AddRelation(nullptr);
  ASSERT_NE(master.RelationList()->RelationDataField(), nullptr);
  EXPECT_EQ(master.GetDetailLinkObject(0, 0), nullptr) << "no detail level yet: nothing is created";
  EXPECT_EQ(master.Created, 0);
  TLoggingController pattern;
  pattern.SetMasterMode(relation, true);
  EXPECT_TRUE(pattern.IsPattern());

  bool allow = false;
  master.OnDetailExpanding = [&](TcxCustomDataController*, int, bool& a) { a = allow; };
  int expanded = 0;
  master.OnDetailExpanded = [&](TcxCustomDataController*, int) { ++expanded; };
  EXPECT_FALSE(master.ChangeDetailExpanding(0, true));
  EXPECT_FALSE(master.GetDetailExpanding(0));
  allow = true;
  EXPECT_TRUE(master.ChangeDetailExpanding(0, true));
  EXPECT_TRUE(master.GetDetailExpanding(0));
  EXPECT_EQ(expanded, 1);
  EXPECT_FALSE(master.ChangeDetailExpanding(master.GetRecordCount(), true));

  // Has-children is asked once per record and relation until reset.
  EXPECT_FALSE(master.GetDetailHasChildren(1, 0));
  EXPECT_TRUE(master.GetDetailHasChildren(2, 0));
  master.GetDetailHasChildren(1, 0);
  EXPECT_EQ(source.Asked, 2);
  master.ResetHasChildrenFlags();
  master.GetDetailHasChildren(1, 0);
  EXPECT_EQ(source.Asked, 3);

  // A clone shares the pattern's source and knows its master record.
  TcxCustomDataController* clone = master.GetDetailDataController(2, 0);
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(clone->DetailMode(), 2);
  EXPECT_EQ(clone->GetMasterRecordIndex(), 2);
  EXPECT_EQ(clone->GetMasterDataController(), &master);
  EXPECT_EQ(master.GetDetailDataController(2, 0), clone) << "made once";
  EXPECT_TRUE(master.IsDetailDataControllerExist(2, 0));
  std::vector<TcxCustomDataController*> clones;
  master.ForEachDetail(relation, [&](TcxCustomDataController* d) { clones.push_back(d); });
  EXPECT_EQ(clones, std::vector<TcxCustomDataController*>{clone});
  master.ClearDetailLinkObject(2, 0);
  EXPECT_FALSE(master.IsDetailDataControllerExist(2, 0));

  // Removing the last relation frees the relation data field; a new one starts empty.
  master.RelationList()->Clear();
  EXPECT_EQ(master.RelationList()->RelationDataField(), nullptr);
  EXPECT_EQ(pattern.DetailMode(), 1) << "the pattern keeps its flag";
  master.RelationList()->AddRelation(nullptr);
  EXPECT_FALSE(master.GetDetailExpanding(0));
}

TEST(DataControllerSummary, ColumnSummaryKindsAddAndRemoveTheirItems) {
  TLoggingController c;
  FillSales(c);
  auto* footer = c.Summary()->FooterSummaryItems();
  footer->SetKindOf(2, spFooter, skSum);
  EXPECT_EQ(footer->Count(), 1);
  EXPECT_EQ(footer->GetKindOf(2, spFooter), skSum);
  EXPECT_EQ(c.Summary()->FooterSummaryValue(0).AsInteger(), 27);
  footer->SetFormatOf(2, spFooter, "0");
  footer->SetKindOf(2, spFooter, skNone);
  EXPECT_EQ(footer->Count(), 1) << "kept while it has a format";
  footer->SetFormatOf(2, spFooter, "");
  EXPECT_EQ(footer->Count(), 0);
  EXPECT_THROW(footer->GetKindOf(9, spFooter), EcxInvalidDataControllerOperation);
}

TEST(DataControllerSummary, SummaryGroupsServeTheLevelsOfTheirLinksAndAssignCopies) {
  TLoggingController c;
  FillSales(c);
  c.Summary()->DefaultGroupSummaryItems()->AddLinked(c.ItemObject(2), spGroup, "", skCount);
  TcxDataSummaryGroup* byName = c.Summary()->AddSummaryGroup();
  byName->SummaryItems()->AddLinked(c.ItemObject(2), spGroup, "", skMax);
  byName->AddLink(c.ItemObject(1));
  c.BeginUpdate();
  c.Groups()->ChangeItemGroupIndex(0, 0);
  c.Groups()->ChangeItemGroupIndex(1, 1);
  c.EndUpdate();
  c.Groups()->FullExpand();
  ASSERT_EQ(c.RowTexts(1)[1], "g:dan+");
  EXPECT_EQ(c.Summary()->GroupSummaryText(0), "(COUNT=1)") << "level 0 uses the default items";
  EXPECT_EQ(c.Summary()->GroupSummaryText(1), "(MAX=3.00)") << "level 1 is linked to the group";
  TcxDataSummaryGroup* other = c.Summary()->AddSummaryGroup();
  other->AddLink(c.ItemObject(1));
  EXPECT_FALSE(byName->IsLinked(c.ItemObject(1))) << "the group linked last keeps the link";

  TLoggingController copy;
  FillSales(copy);
  TLoggingController source;
  source.AddTypedItem(kStr);
  source.Summary()->FooterSummaryItems()->AddLinked(source.ItemObject(0), spFooter, "", skCount);
  copy.Assign(&source);
  ASSERT_EQ(copy.Summary()->FooterSummaryItems()->Count(), 1);
  EXPECT_EQ(copy.Summary()->FooterSummaryItems()->Items(0)->Field(), nullptr)
      << "an item of another controller without an ID links nothing";
}

TEST(DataControllerSummary, GroupTextsRedrawFooterItemsStayInTheFooterAndGroupFootersAreFound) {
  TLoggingController c;
  FillSales(c);
  TcxDataSummaryItems* group = c.Summary()->DefaultGroupSummaryItems();
  group->AddLinked(c.ItemObject(2), spGroup, "", skCount);
  group->AddLinked(c.ItemObject(2), spFooter, "", skSum);
  c.Groups()->ChangeItemGroupIndex(0, 0);
  c.Groups()->FullExpand();
  ASSERT_EQ(c.Summary()->GroupSummaryText(0), "(COUNT=1)");
  const struct {
    void (TcxDataSummaryItems::*set)(const String&);
    const char* value;
    const char* text;
  } cases[] = {
      {&TcxDataSummaryItems::SetBeginText, "[", "[COUNT=1)"},
      {&TcxDataSummaryItems::SetEndText, "]", "[COUNT=1]"},
      {&TcxDataSummaryItems::SetSeparator, ";", "[COUNT=1]"},
  };
  for (const auto& k : cases) {
    c.Log.clear();
    (group->*k.set)(k.value);
    EXPECT_FALSE(c.Log.empty()) << k.value << ": the change reaches the view";
    EXPECT_EQ(c.Summary()->GroupSummaryText(0), k.text);
    c.Log.clear();
    (group->*k.set)(k.value);
    EXPECT_TRUE(c.Log.empty()) << k.value << ": an equal value changes nothing";
  }
  EXPECT_EQ(group->Separator(), ";");

  TcxDataSummaryItem* footer = c.Summary()->FooterSummaryItems()->AddLinked(c.ItemObject(2), spFooter, "", skSum);
  footer->SetPosition(spGroup);
  EXPECT_EQ(footer->Position(), spFooter);

  EXPECT_EQ(c.Summary()->IndexOfGroupFooterItem(0, c.ItemObject(2)), 1);
  EXPECT_EQ(c.Summary()->IndexOfGroupFooterItem(0, c.ItemObject(1)), -1);
  EXPECT_EQ(c.Summary()->IndexOfGroupFooterItem(1, c.ItemObject(2)), -1) << "no such grouping level";
  EXPECT_EQ(c.Summary()->IndexOfGroupFooterItem(-1, c.ItemObject(2)), -1);
}

TEST(DataControllerEditing, NewItemRowEditsItsOwnRecordUntilPosted) {
  TLoggingController c;
  c.AddTypedItem(kInt);
  c.AddTypedItem(kStr);
  c.Fill({{1, "a"}});
  c.SetUseNewItemRowForEditing(true);
  c.SetNewItemRowFocused(true);
  EXPECT_TRUE(c.IsNewItemRowEditing());
  EXPECT_EQ(c.FocusedRowIndex(), -1);
  EXPECT_TRUE(c.GetEditValue(0, 0).IsNull());
  ASSERT_TRUE(c.SetEditValue(0, 42, 0));
  EXPECT_LT(c.GetEditingRecordIndex(), -1);
  EXPECT_EQ(c.GetRecordCount(), 1) << "nothing is added before the post";
  c.SetEditValue(1, "new", 1);
  c.Post();
  ASSERT_EQ(c.GetRecordCount(), 2);
  EXPECT_EQ(c.GetValue(1, 0).AsInteger(), 42);
  EXPECT_EQ(c.GetValue(1, 1).AsString(), "new");
  EXPECT_FALSE(c.IsEditing());
}

TEST(DataControllerSelection, GroupRowsAndExpansionSurviveRefiltering) {
  TLoggingController c;
  FillSales(c);
  c.SetMultiSelect(true);
  c.BeginUpdate();
  c.Groups()->ChangeItemGroupIndex(0, 0);
  c.Groups()->ChangeItemGroupIndex(1, 1);
  c.EndUpdate();
  c.Groups()->ChangeRowExpanding(1, true, false);  // east, north+, (ann cid fay), south
  ASSERT_EQ(c.RowTexts(2), Texts({"g:east", "g:north+", "g:ann", "g:cid", "g:fay", "g:south"}));
  c.ClearSelection();
  c.ChangeRowSelection(5, true);  // south
  c.Filter()->AddItem(nullptr, c.ItemObject(2), foGreater, 1, "1");  // hides cid
  c.Filter()->SetActive(true);
  EXPECT_EQ(c.RowTexts(2), Texts({"g:east", "g:north+", "g:ann", "g:fay", "g:south"}));
  ASSERT_EQ(c.CountSelectedRows(), 1);
  EXPECT_EQ(c.GetSelectedRowIndex(0), 4) << "the south group row stays selected at its new row";
}

TEST(DataControllerProvider, WithoutRecordKeysSelectionFollowsItsRecordsThroughADeletion) {
  struct TNoKeys : TListSource {
    bool IsRecordIdSupported() override { return false; }
  } source;
  source.Rows = {{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}};
  TLoggingController c;
  c.AddTypedItem(kInt);
  c.AddTypedItem(kStr);
  c.Provider()->SetCustomDataSource(&source);
  c.SetMultiSelect(true);
  c.ClearSelection();
  c.ChangeRowSelection(2, true);  // c
  c.ChangeFocusedRowIndex(3);     // d
  c.SaveBookmark();
  c.DeleteRecord(1);              // b
  ASSERT_EQ(c.CountSelectedRows(), 1);
  EXPECT_EQ(c.GetValue(c.RowInfoAt(c.GetSelectedRowIndex(0)).RecordIndex, 1).AsString(), "c");
  EXPECT_EQ(c.GetValue(c.BookmarkRecordIndex(), 1).AsString(), "d");
}

// ---------------------------------------------------------------------------------------------
// Expanded master records kept by key

namespace {

// A master whose clones are of its own class, read the same list and can be masters in turn.
class TNestingController : public TLoggingController {
 public:
  struct TLink : TObject {
    std::unique_ptr<TNestingController> Clone;
  };
  TObject* CreateDetailLinkObject(TcxCustomDataRelation* relation, int recordIndex) override {
    auto* link = new TLink;
    link->Clone = std::make_unique<TNestingController>();
    link->Clone->AddTypedItem(kInt);
    link->Clone->AddTypedItem(kStr);
    link->Clone->RelationList()->AddRelation(NestedItem);
    link->Clone->SetMasterRelation(relation, recordIndex);
    return link;
  }
  TcxCustomDataController* GetDetailDataControllerByLinkObject(TObject* link) override {
    auto* l = dynamic_cast<TLink*>(link);
    return l ? l->Clone.get() : nullptr;
  }
  TObject* NestedItem = nullptr;  // the item of the clones' own relation
  // The records whose details are expanded, by key, with their active relation ("3/1").
  std::vector<String> ExpandedKeys() {
    std::vector<String> out;
    for (int r = 0; r < GetRecordCount(); ++r)
      if (GetDetailExpanding(r))
        out.push_back(Format("%d/%d", {GetValue(r, 0).AsInteger(), GetDetailActiveRelationIndex(r)}));
    return out;
  }
};

}  // namespace

TEST(DataControllerDetails, ExpandedMastersSurviveADeletionByTheirKeys) {
  TListSource source;
  source.Rows = {{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}, {3, "c again"}};
  TNestingController master;
  master.AddTypedItem(kInt);
  master.AddTypedItem(kStr);
  master.Provider()->SetCustomDataSource(&source);
  // Two detail levels under the master; the second has a level of its own below it.
  TObject firstItem, secondItem, nestedItem;
  master.NestedItem = &nestedItem;
  TcxCustomDataRelation* first = master.RelationList()->AddRelation(&firstItem);
  TcxCustomDataRelation* second = master.RelationList()->AddRelation(&secondItem);
  TLoggingController pattern1, pattern2, nestedPattern;
  pattern1.SetMasterMode(first, true);
  pattern2.SetMasterMode(second, true);
  nestedPattern.SetMasterMode(pattern2.RelationList()->AddRelation(&nestedItem), true);
  pattern1.Provider()->SetCustomDataSource(&source);
  pattern2.Provider()->SetCustomDataSource(&source);

  ASSERT_TRUE(master.ChangeDetailExpanding(0, true));  // key 1 on the second relation
  master.ChangeDetailActiveRelationIndex(0, 1);
  ASSERT_TRUE(master.ChangeDetailExpanding(2, true));  // key 3 on the first
  master.ChangeDetailActiveRelationIndex(2, 0);
  ASSERT_TRUE(master.ChangeDetailExpanding(3, true));  // key 4, collapsed again
  master.ChangeDetailExpanding(3, false);
  // Inside the detail of key 1, the record with key 4 is expanded too.
  auto* detail = dynamic_cast<TNestingController*>(master.GetDetailDataController(0, 1));
  ASSERT_NE(detail, nullptr);
  ASSERT_EQ(detail->GetRecordCount(), 5);
  ASSERT_TRUE(detail->ChangeDetailExpanding(3, true));
  EXPECT_EQ(master.ExpandedKeys(), Texts({"1/1", "3/0"}));

  master.ChangeFocusedRecordIndex(1);  // key 2
  master.DeleteFocused();
  ASSERT_EQ(source.Rows.size(), 4u);
  EXPECT_EQ(master.ExpandedKeys(), Texts({"1/1", "3/0", "3/0"}))
      << "expansion and active relation follow the keys; every record of a saved key is expanded";
  auto* again = dynamic_cast<TNestingController*>(master.GetDetailDataController(0, 1));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->ExpandedKeys(), Texts({"4/0"})) << "the nested detail level keeps its expansion";

  // Without record keys nothing can be found again: the expansion is not carried over.
  struct TNoKeys : TListSource {
    bool IsRecordIdSupported() override { return false; }
  } plain;
  plain.Rows = {{1, "a"}, {2, "b"}};
  TNestingController other;
  other.AddTypedItem(kInt);
  other.AddTypedItem(kStr);
  other.Provider()->SetCustomDataSource(&plain);
  TLoggingController otherPattern;
  otherPattern.SetMasterMode(other.RelationList()->AddRelation(nullptr), true);
  ASSERT_TRUE(other.ChangeDetailExpanding(1, true));
  other.ChangeFocusedRecordIndex(0);
  other.DeleteFocused();
  EXPECT_TRUE(other.ExpandedKeys().empty());
}

// ---------------------------------------------------------------------------------------------
// Smart load

namespace {

class TSmartController : public TLoggingController {
 public:
  bool IsSmartLoad() override { return true; }
};

}  // namespace

TEST(DataControllerSmartLoad, ProviderModeAppendsSourceRecordsWithoutReloading) {
  TListSource source;
  source.Rows = {{1, "a"}, {2, "b"}};
  TSmartController c;
  c.AddTypedItem(kInt);
  c.AddTypedItem(kStr);
  c.Provider()->SetCustomDataSource(&source);
  EXPECT_EQ(c.GetRecordCount(), 0) << "a smart-loading controller reads nothing on its own";

  c.Log.clear();
  c.BeginReadRecords();
  for (int h = 0; h < 2; ++h) EXPECT_EQ(c.AppendRecordFromReader(nullptr, h), h);
  EXPECT_EQ(c.AppendRecordFromReader(nullptr, -1), -1) << "no handle, no record";
  c.EndReadRecords();
  EXPECT_EQ(c.Log, Texts({"Data(2,-1,-1)"})) << "the whole bracket is one delivery";
  EXPECT_EQ(c.RowCount(), 2);
  EXPECT_EQ(c.GetValue(1, 1).AsString(), "b");

  // The source's own change notice while appending does not throw the loaded records away.
  EXPECT_EQ(c.AppendRecord(), 2);
  EXPECT_EQ(c.InsertRecord(0), 3) << "an insertion appends";
  ASSERT_EQ(source.Rows.size(), 4u);
  EXPECT_EQ(c.GetRecordCount(), 4);
  EXPECT_EQ(c.RowCount(), 4);
  EXPECT_EQ(c.GetValue(0, 1).AsString(), "a");
  c.SetValue(3, 1, "new");
  EXPECT_EQ(source.Rows[3][1].AsString(), "new");
}

TEST(DataControllerSmartLoad, UnboundRecordsComeFromReaders) {
  TSmartController c;
  c.AddTypedItem(kInt);
  c.AddTypedItem(kStr);
  TcxValueDef* number = c.Fields()->Items(0)->ValueDef();
  TcxValueDef* text = c.Fields()->Items(1)->ValueDef();
  TcxValueDefUnboundReader reader;
  struct Case {
    Variant number;
    Variant text;
  };
  c.BeginReadRecords();
  c.BeginReadRecords();  // nested brackets only count
  for (const Case& tc : std::vector<Case>{{7, "seven"}, {Null(), "no number"}, {-3, Null()}}) {
    reader.SetValue(number, tc.number);
    reader.SetValue(text, tc.text);
    c.AppendRecordFromReader(&reader);
  }
  c.EndReadRecords();
  EXPECT_EQ(c.RowCount(), 0) << "the pipeline learns of the records at the outermost end";
  c.EndReadRecords();
  c.EndReadRecords();  // an unmatched end changes nothing
  ASSERT_EQ(c.RowCount(), 3);
  EXPECT_EQ(c.GetValue(0, 0).AsInteger(), 7);
  EXPECT_TRUE(c.GetValue(1, 0).IsNull());
  EXPECT_EQ(c.GetValue(1, 1).AsString(), "no number");
  EXPECT_TRUE(c.GetValue(2, 1).IsNull());

  c.Log.clear();
  c.BeginReadRecords();
  c.EndReadRecords();
  EXPECT_TRUE(c.Log.empty()) << "a bracket that appends nothing delivers nothing";

  // Without a source the provider's reader has no values: the appended record is empty.
  EXPECT_EQ(c.AppendRecord(), 3);
  EXPECT_EQ(c.Log, Texts({"Data(2,-1,-1)"}));
  EXPECT_TRUE(c.GetValue(3, 0).IsNull());
  EXPECT_EQ(c.RowCount(), 4);
}

// A filter change reads stored numbers in place and tests each distinct pooled text once; the
// records it keeps are those the general route (a single record's test, outside a change)
// accepts, for every operator, operand kind and option, nulls and empty texts included.
TEST(DataControllerFilter, ChangeKeepsTheRecordsTheGeneralRouteAccepts) {
  TLoggingController c;
  c.AddTypedItem(TcxIntegerValueType::Class());
  c.AddTypedItem(TcxFloatValueType::Class());
  c.AddTypedItem(TcxDateTimeValueType::Class());
  c.AddTypedItem(TcxStringValueType::Class());
  c.AddTypedItem(TcxLargeIntValueType::Class());
  const double nan = std::nan("");
  c.Fill({{1, 1.5, Variant(TDateTime(45000)), "Gold one", Int64(1) << 40},
          {2, 2.0, Variant(TDateTime(45001.5)), "gold two", Int64(-5)},
          {Null(), Null(), Null(), Null(), Null()},
          {3, nan, Variant(TDateTime(45002)), "", Int64(7)},
          {-4, -0.5, Variant(TDateTime(44999)), "Silver", Int64(2)},
          {2, 2.0, Variant(TDateTime(45001.5)), "Gold one", Int64(-5)}});
  struct Case {
    int item;
    TcxFilterOperatorKind kind;
    Variant value;
    TcxFilterCriteriaOptions options;
  };
  const Case cases[] = {
      {0, foEqual, 2, {}},
      {0, foNotEqual, 2, {}},
      {0, foLess, 2.5, {}},
      {0, foGreaterEqual, 2, {fcoIgnoreNull}},
      {0, foBetween, VarArrayOf({-4, 2}), {}},
      {0, foNotBetween, VarArrayOf({1.5, 3}), {}},
      {0, foBetween, 2, {}},  // no pair: nothing satisfies BETWEEN
      {0, foEqual, "2", {}},   // a text operand takes the general route
      {1, foGreater, 1, {}},
      {1, foLessEqual, 2.0, {}},
      {1, foEqual, nan, {}},
      {1, foBetween, VarArrayOf({-1, 2}), {}},
      {2, foLess, Variant(TDateTime(45001.5)), {}},
      {2, foGreater, 45000, {}},
      {3, foLike, "%old%", {}},
      {3, foLike, "%OLD%", {fcoCaseInsensitive}},
      {3, foEqual, "", {fcoSoftNull}},
      {3, foNotLike, "Gold%", {fcoIgnoreNull}},
      {3, foGreater, "Gold", {}},
      {4, foGreater, 1, {}},
      {4, foBetween, VarArrayOf({-5.0, 7}), {}},
  };
  for (const Case& k : cases) {
    TcxDataFilterCriteria* f = c.Filter();
    f->RemoveAllItems();
    f->SetOptions(k.options);
    f->SetActive(true);
    f->AddItem(nullptr, c.ItemObject(k.item), k.kind, k.value, "x");
    std::vector<int> kept, accepted;
    for (int p = 0; p < c.FilteredRecordCount(); ++p) kept.push_back(c.FilteredRecordIndex(p));
    for (int r = 0; r < c.GetRecordCount(); ++r)
      if (f->IsRecordMatching(r)) accepted.push_back(r);
    EXPECT_EQ(kept, accepted) << "item " << k.item << ", operator " << int(k.kind);
  }
  // Two conditions on one text column in one change: each keeps its own results.
  TcxDataFilterCriteria* f = c.Filter();
  f->RemoveAllItems();
  f->SetOptions({});
  f->Root()->ChangeBoolOperator(fboOr);
  f->AddItem(nullptr, c.ItemObject(3), foEqual, "Silver", "Silver");
  f->AddItem(nullptr, c.ItemObject(3), foLike, "gold%", "gold%");
  EXPECT_EQ(c.FilteredRecordCount(), 2);
}
