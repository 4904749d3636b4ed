// Summaries of the cross cells, their result types, group intervals, filters and cell texts.
#include <cmath>

#include "PivotGridFixture.h"
#include "rtl/DateUtils.h"

using namespace pivot_fixture;

namespace {

struct TSummaryCase {
  const char* name;
  std::vector<Variant> values;
  bool nullIgnore;
  TcxPivotGridSummaryType type;
  Variant expected;  // Null for a Null slot; a double is compared with a tolerance
};

Variant Sqrt(double x) { return std::sqrt(x); }

}  // namespace

TEST(PivotGridSummary, EverySummaryTypeOfOneField) {
  const TSummaryCase cases[] = {
      {"count", {1.0, 2.0, 3.0}, false, stCount, 3},
      {"sum", {1.0, 2.0, 3.0}, false, stSum, 6.0},
      {"min", {1.0, 2.0, 3.0}, false, stMin, 1.0},
      {"max", {1.0, 2.0, 3.0}, false, stMax, 3.0},
      {"average", {1.0, 2.0, 3.0}, false, stAverage, 2.0},
      {"varianceP", {1.0, 2.0, 3.0}, false, stVarianceP, 2.0 / 3},
      {"stdDevP", {1.0, 2.0, 3.0}, false, stStdDevP, Sqrt(2.0 / 3)},
      {"variance", {1.0, 2.0, 3.0}, false, stVariance, 1.0},
      {"stdDev", {1.0, 2.0, 3.0}, false, stStdDev, 1.0},
      {"negative max", {-5.0, -2.0}, false, stMax, -2.0},
      {"negative min", {-5.0, -2.0}, false, stMin, -5.0},
      {"single variance", {4.0}, false, stVariance, Null()},
      {"single stdDev", {4.0}, false, stStdDev, Null()},
      {"single varianceP", {4.0}, false, stVarianceP, 0.0},
      {"single stdDevP", {4.0}, false, stStdDevP, 0.0},
      {"nulls counted", {5.0, Null(), Null()}, false, stCount, 3},
      {"nulls sum", {5.0, Null(), Null()}, false, stSum, 5.0},
      {"nulls average", {5.0, Null(), Null()}, false, stAverage, 5.0 / 3},
      {"nulls ignored count", {5.0, Null(), Null()}, true, stCount, 1},
      {"nulls ignored sum", {5.0, Null(), Null()}, true, stSum, Null()},
      {"nulls ignored average", {5.0, Null(), Null()}, true, stAverage, Null()},
      {"nulls ignored variance", {5.0, Null(), Null()}, true, stVarianceP, Null()},
      {"text counts only", {String("x"), 2.0}, false, stSum, 2.0},
      {"custom not filled", {1.0}, false, stCustom, Null()},
  };
  for (const auto& c : cases) {
    TPivot p;
    TcxPivotGridField* v = p.Add("v", "Variant");
    std::vector<std::vector<Variant>> rows;
    for (const auto& x : c.values) rows.push_back({x});
    p.Fill(rows);
    p.grid->OptionsData()->SetSummaryNullIgnore(c.nullIgnore);
    p.Place(v, faData);
    Variant got = p.GrandTotal(v, c.type);
    if (c.expected.IsNull()) {
      EXPECT_TRUE(got.IsNull()) << c.name << ": " << VarToStr(got);
    } else if (c.expected.VarType() == varDouble) {
      ASSERT_EQ(got.VarType(), varDouble) << c.name;
      EXPECT_NEAR(got.AsDouble(), c.expected.AsDouble(), 1e-12) << c.name;
    } else {
      EXPECT_EQ(got.VarType(), c.expected.VarType()) << c.name;
      EXPECT_EQ(VarToStr(got), VarToStr(c.expected)) << c.name;
    }
  }
}

TEST(PivotGridSummary, ResultTypesFollowTheValueType) {
  struct {
    const char* valueType;
    std::vector<Variant> values;
    TVarType sum, average, max;
    const char* sumText;
  } cases[] = {
      {"Integer", {2, 3}, varInteger, varDouble, varInteger, "5"},
      {"Integer", {2000000000, 2000000000}, varDouble, varDouble, varInteger, "4000000000"},
      {"Float", {1.5, 2.0}, varDouble, varDouble, varDouble, "3.5"},
      {"Currency", {Currency(1.25), Currency(2.5)}, varCurrency, varCurrency, varCurrency, "3.75"},
      // A currency sum beyond the currency range is kept as a floating value instead of raising.
      {"Currency", {Currency(500000000000000.0), Currency(500000000000000.0)}, varDouble, varCurrency, varCurrency,
       "1E15"},
  };
  for (const auto& c : cases) {
    TPivot p;
    TcxPivotGridField* v = p.Add("v", c.valueType);
    std::vector<std::vector<Variant>> rows;
    for (const auto& x : c.values) rows.push_back({x});
    p.Fill(rows);
    p.Place(v, faData);
    Variant sum = p.GrandTotal(v, stSum);
    EXPECT_EQ(sum.VarType(), c.sum) << c.valueType << " " << c.sumText;
    EXPECT_EQ(VarToStr(sum), c.sumText) << c.valueType;
    EXPECT_EQ(p.GrandTotal(v, stAverage).VarType(), c.average) << c.valueType;
    EXPECT_EQ(p.GrandTotal(v, stMax).VarType(), c.max) << c.valueType;
    EXPECT_EQ(p.GrandTotal(v, stCount).VarType(), varInteger);
  }
}

TEST(PivotGridSummary, SummaryOfAFieldOutsideTheDataAreaRaises) {
  TPivot p;
  TcxPivotGridField* a = p.Add("a", "Float");
  TcxPivotGridField* b = p.Add("b", "Float");
  p.Fill({{1.0, 2.0}});
  p.Place(a, faData);
  Variant v;
  p.grid->CheckChanges();
  TcxPivotGridCrossCell* cell = p.grid->DataBuilder()->RowRoot()->GetCrossCell(p.grid->DataBuilder()->ColumnRoot());
  try {
    cell->GetSummaryValue(b, stSum, v);
    FAIL() << "no exception";
  } catch (const EcxPivotGrid& e) {
    EXPECT_STREQ(e.what(), "Field must be in data area!");
  }
}

TEST(PivotGridValues, GroupIntervalsAndTheirTexts) {
  TDateTime may15 = EncodeDate(2024, 5, 15) + 0.25;
  struct {
    TcxPivotGridGroupInterval interval;
    int range;
    Variant value;
    const char* group;  // "Null" for Null
    const char* text;
  } cases[] = {
      {giNumeric, 10, 0, "0", "0-9"},
      {giNumeric, 10, 9, "0", "0-9"},
      {giNumeric, 10, 9.5, "1", "10-19"},
      {giNumeric, 10, -1, "-1", "-10--1"},
      {giNumeric, 10, -10, "-1", "-10--1"},
      {giNumeric, 10, -11, "-2", "-20--11"},
      {giNumeric, 10, String("x"), "0", "0-9"},
      {giDateQuarter, 10, VarFromDateTime(may15), "2", "Qtr 2"},
      {giDateMonth, 10, VarFromDateTime(may15), "5", "May"},
      {giDateDayOfWeek, 10, VarFromDateTime(may15), "4", "Wednesday"},
      {giDateDay, 10, VarFromDateTime(may15), "15", "15"},
      {giDateYear, 10, VarFromDateTime(may15), "2024", "2024"},
      {giDateWeekOfYear, 10, VarFromDateTime(may15), "20", "20"},
      {giDateWeekOfMonth, 10, VarFromDateTime(may15), "3", "3"},
      {giDateDayOfYear, 10, VarFromDateTime(may15), "136", "136"},
      {giDate, 10, VarFromDateTime(may15), "5/15/2024", "5/15/2024"},
      {giDateYear, 10, String("not a date"), "Null", ""},
      {giAlphabetical, 10, String("apple"), "a", "a"},
      {giAlphabetical, 10, String("Apple"), "A", "A"},
      {giAlphabetical, 10, String("\xC3\xA4rger"), "\xC3\xA4", "\xC3\xA4"},
      {giAlphabetical, 10, String(""), "", ""},
      // Today is 45000 (the pinned clock); 800 days back are 2 years, 26 months, 114 weeks.
      {giYearAge, 1, VarFromDateTime(44200), "2", "2-2"},
      {giMonthAge, 1, VarFromDateTime(44200), "26", "26-26"},
      {giWeekAge, 10, VarFromDateTime(44200), "11", "110-119"},
      {giDayAge, 100, VarFromDateTime(45800), "8", "800-899"},
  };
  for (const auto& c : cases) {
    TPivot p;
    TcxPivotGridField* f = p.Add("f", "String");
    TcxPivotGridField* d = p.Add("d", "Float");
    f->DataBinding()->SetValueType("Variant");
    p.Fill({{c.value, 1.0}});
    f->SetGroupInterval(c.interval);
    f->SetGroupIntervalRange(c.range);
    p.Place(f, faRow);
    p.Place(d, faData);
    p.grid->CheckChanges();
    Variant g;
    f->GetGroupValue(0, g);
    EXPECT_EQ(g.IsNull() ? String("Null") : VarToStr(g), c.group) << int(c.interval) << " " << VarToStr(c.value);
    String text;
    f->GetGroupValueDisplayText(g, text);
    EXPECT_EQ(text, c.text) << int(c.interval);
  }
}

TEST(PivotGridValues, DataFieldIgnoresIntervalsButAlphabetical) {
  TPivot p;
  TcxPivotGridField* d = p.Add("d", "Float");
  p.Fill({{2.0}, {30.0}});
  d->SetGroupInterval(giDateYear);
  p.Place(d, faData);
  EXPECT_EQ(VarToStr(p.GrandTotal(d, stSum)), "32");
  // With an interval the extremes are the raw values; the sum counts numbers only.
  EXPECT_EQ(VarToStr(p.GrandTotal(d, stMax)), "30");
}

TEST(PivotGridValues, FiltersInBothModes) {
  struct {
    bool include;
    std::vector<const char*> values;
    const char* rows;
  } cases[] = {
      {false, {"b"}, "a,c"},
      {true, {"b"}, "b"},
      {true, {"a", "c"}, "a,c"},
      {false, {}, "a,b,c"},
      {true, {}, "a,b,c"},
  };
  for (const auto& c : cases) {
    TPivot p;
    TcxPivotGridField* k = p.Add("k", "String");
    TcxPivotGridField* v = p.Add("v", "Float");
    p.Fill({{"a", 1.0}, {"b", 2.0}, {"c", 4.0}, {"b", 8.0}});
    p.Place(k, faRow);
    p.Place(v, faData);
    k->Filter()->SetIncludeMode(c.include);
    for (auto* x : c.values) k->Filter()->Values()->Add(x);
    EXPECT_EQ(p.Tree(true), c.rows);
  }
}

TEST(PivotGridValues, FilterAreaFieldRemovesRecordsFromEveryTotal) {
  TPivot p;
  TcxPivotGridField* k = p.Add("k", "String");
  TcxPivotGridField* city = p.Add("city", "String");
  TcxPivotGridField* v = p.Add("v", "Float");
  p.Fill({{"a", "x", 1.0}, {"b", "y", 2.0}, {"a", "y", 4.0}});
  p.Place(k, faRow);
  p.Place(city, faFilter);
  p.Place(v, faData);
  city->Filter()->SetIncludeMode(true);
  city->Filter()->Values()->Add("y");
  EXPECT_EQ(p.Table(), "4.00;2.00;6.00");
  EXPECT_EQ(p.Tree(true), "a,b");
}

TEST(PivotGridValues, UniqueValuesAreDistinctAndSorted) {
  TPivot p;
  TcxPivotGridField* k = p.Add("k", "String");
  p.Fill({{"b"}, {"a"}, {"b"}, {Null()}});
  TcxPivotGridVariantList* u = k->GetUniqueValues();
  ASSERT_EQ(u->Count(), 3);
  EXPECT_TRUE(u->Values(0).IsNull());
  EXPECT_EQ(VarToStr(u->Values(1)), "a");
  EXPECT_EQ(VarToStr(u->Values(2)), "b");
}

TEST(PivotGridValues, CellFormats) {
  struct {
    Variant value;
    const char* format;
    bool percent;
    const char* text;
  } cases[] = {
      {1234, "", false, "1234"},
      {1234.5, "", false, "1234.50"},
      {12.5, "", true, "12.50%"},
      {Currency(3.5), "", false, "$3.50"},
      {1234.5, "#,##0.0", false, "1,234.5"},
      {Null(), "", false, ""},
      {String("abc"), "0.00", false, "abc"},
      // A format the number formatting rejects shows the value as with no format.
      {1234.5, "0.0E+", false, "1234.50"},
      {1234.5, "a;b;c;d", false, "1234.50"},
      {7, "'open", false, "7"},
  };
  for (const auto& c : cases) {
    String text;
    cxPivotGridFormatValue(c.value, c.format, c.percent, text);
    EXPECT_EQ(text, c.text) << c.format;
  }
}

TEST(PivotGridSummary, CustomSummaryReadsTheCellsRecordsAndStoresItsResult) {
  TPivot p;
  TcxPivotGridField* k = p.Add("k", "String");
  TcxPivotGridField* d = p.Add("d", "Float");
  p.Fill({{"a", 1.0}, {"b", 2.0}, {"a", 4.0}});
  std::vector<String> seen;
  d->OnCalculateCustomSummary = [&](TcxPivotGridField*, TcxPivotGridCrossCellSummary* s) {
    std::unique_ptr<TcxPivotGridRecords> records(s->GetRecords());
    String list;
    for (int i = 0; i < records->Count(); ++i) {
      Variant v;
      s->GetRecordValue((*records)[i], v);
      list += VarToStr(v) + " ";
    }
    seen.push_back(list);
    s->SetValue(stCustom, records->Count() * 10);
  };
  d->SetSummaryType(stCustom);
  p.Place(k, faRow);
  p.Place(d, faData);
  EXPECT_EQ(p.Table(), "20;10;30");
  EXPECT_EQ(seen, Texts({"1 4 ", "2 ", "1 2 4 "}));
  // The cell's records as a data source: group intervals give their display texts.
  k->SetGroupInterval(giAlphabetical);
  p.grid->CheckChanges();
  TcxPivotGridCrossCell* cell = p.grid->DataBuilder()->RowRoot()->Items(0)->GetCrossCell(p.grid->DataBuilder()->ColumnRoot());
  std::unique_ptr<TcxCustomDataSource> source(cell->CreateDataSource());
  ASSERT_EQ(source->GetRecordCount(), 2);
  EXPECT_EQ(VarToStr(source->GetValue(1, 0)), "a");
  EXPECT_EQ(VarToStr(source->GetValue(1, 1)), "4");
  EXPECT_TRUE(source->GetValue(2, 1).IsNull());
}
