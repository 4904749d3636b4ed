// The data controller over 1,000,000 records, each against a baseline measured in the same run:
// - sorting by one integer item against std::sort of the same (key, index) pairs (target 3x);
// - grouping by two items with every group expanded against that sort (target 5x);
// - footer summaries (count, sum, min, max, average) over one item against a plain loop that
//   reads the same stored values and computes the same five results (target 3x);
// - group summaries for two grouping levels against the grouping itself (target 2x);
// - focusing the last row and reading its values (constant time);
// - the rebuild after one value change of a sorted controller (about one sort);
// - incremental search typing an 8-character key into a column sorted by it: each character
//   scans on from the focused match, so the whole key costs about one pass to the match,
//   against a baseline that scans every record for each character.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "data/cxCustomData.h"
#include "data/cxDataUtils.h"
#include "rtl/SysUtils.h"

namespace {

constexpr int kRecords = 1000000;

std::vector<int> Keys() {
  std::mt19937 gen(11);
  std::uniform_int_distribution<int> dist(0, 1 << 30);
  std::vector<int> v(kRecords);
  for (int& k : v) k = dist(gen);
  return v;
}

// A controller with three integer items: a random key, a value of 100 kinds, one of 10 kinds.
std::unique_ptr<TcxDataController> MakeController() {
  static std::vector<std::unique_ptr<TObject>> items;
  auto c = std::make_unique<TcxDataController>(nullptr);
  for (int i = 0; i < 3; ++i) {
    items.push_back(std::make_unique<TObject>());
    c->AddItem(items.back().get());
    c->ChangeValueTypeClass(i, TcxIntegerValueType::Class());
  }
  std::vector<int> keys = Keys();
  c->BeginUpdate();
  c->SetRecordCount(kRecords);
  for (int r = 0; r < kRecords; ++r) {
    c->SetValue(r, 0, keys[std::size_t(r)]);
    c->SetValue(r, 1, keys[std::size_t(r)] % 100);
    c->SetValue(r, 2, (keys[std::size_t(r)] / 100) % 10);
  }
  c->EndUpdate();
  return c;
}

TcxDataController& Shared() {
  static std::unique_ptr<TcxDataController> c = MakeController();
  return *c;
}

void BM_Baseline_StdSortPairs(benchmark::State& state) {
  std::vector<int> keys = Keys();
  for (auto _ : state) {
    std::vector<std::pair<int, int>> v(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) v[i] = {keys[i], int(i)};
    std::sort(v.begin(), v.end());
    benchmark::DoNotOptimize(v.data());
  }
}
BENCHMARK(BM_Baseline_StdSortPairs)->Unit(benchmark::kMillisecond);

void BM_SortByOneIntegerItem(benchmark::State& state) {
  TcxDataController& c = Shared();
  c.Groups()->ClearGrouping();
  bool up = true;
  for (auto _ : state) {
    c.ChangeItemSortOrder(0, up ? soAscending : soDescending);
    up = !up;
  }
  c.ClearSorting(false);
}
BENCHMARK(BM_SortByOneIntegerItem)->Unit(benchmark::kMillisecond);

void BM_GroupByTwoItemsAllExpanded(benchmark::State& state) {
  TcxDataController& c = Shared();
  for (auto _ : state) {
    c.BeginUpdate();
    c.Groups()->ClearGrouping();
    c.Groups()->ChangeItemGroupIndex(1, 0);
    c.Groups()->ChangeItemGroupIndex(2, 1);
    c.EndUpdate();
    c.Groups()->FullExpand();
  }
  c.Groups()->ClearGrouping();
}
BENCHMARK(BM_GroupByTwoItemsAllExpanded)->Unit(benchmark::kMillisecond);

void BM_FocusLastRowAndReadIt(benchmark::State& state) {
  TcxDataController& c = Shared();
  for (auto _ : state) {
    c.GotoFirst();
    c.GotoLast();
    benchmark::DoNotOptimize(c.GetValue(c.FocusedRecordIndex(), 0));
  }
}
BENCHMARK(BM_FocusLastRowAndReadIt)->Unit(benchmark::kMicrosecond);

// A value change reaches the pipeline as a refresh: the records are filtered and sorted again
// (typed keys), which costs about one sort.
void BM_RebuildAfterOneValueChangeWhileSorted(benchmark::State& state) {
  TcxDataController& c = Shared();
  c.ChangeItemSortOrder(0, soAscending);
  int v = 0;
  for (auto _ : state) c.SetValue(kRecords / 3, 0, ++v);
  c.ClearSorting(false);
}
BENCHMARK(BM_RebuildAfterOneValueChangeWhileSorted)->Unit(benchmark::kMillisecond);

void BM_Baseline_PlainSummaryLoop(benchmark::State& state) {
  TcxDataController& c = Shared();
  TcxValueDef* def = c.Fields()->Items(0)->ValueDef();
  for (auto _ : state) {
    int count = 0;
    double sum = 0, mn = 0, mx = 0;
    for (int r = 0; r < c.GetRecordCount(); ++r) {
      Variant v = c.Storage()->RecordValue(r, def);
      if (v.IsNull()) continue;
      double d = v.AsDouble();
      if (count == 0 || d < mn) mn = d;
      if (count == 0 || d > mx) mx = d;
      sum += d;
      ++count;
    }
    benchmark::DoNotOptimize(sum / count + mn + mx);
  }
}
BENCHMARK(BM_Baseline_PlainSummaryLoop)->Unit(benchmark::kMillisecond);

void BM_FooterSummaries(benchmark::State& state) {
  TcxDataController& c = Shared();
  auto* items = c.Summary()->FooterSummaryItems();
  for (TcxSummaryKind k : {skCount, skSum, skMin, skMax, skAverage})
    items->AddLinked(c.GetItem(0), spFooter, "", k);
  for (auto _ : state) c.Summary()->CalculateFooter();
  items->Clear();
}
BENCHMARK(BM_FooterSummaries)->Unit(benchmark::kMillisecond);

void BM_GroupSummariesTwoLevels(benchmark::State& state) {
  TcxDataController& c = Shared();
  c.BeginUpdate();
  c.Groups()->ChangeItemGroupIndex(1, 0);
  c.Groups()->ChangeItemGroupIndex(2, 1);
  c.EndUpdate();
  auto* items = c.Summary()->DefaultGroupSummaryItems();
  items->AddLinked(c.GetItem(0), spGroup, "", skSum);
  items->AddLinked(c.GetItem(0), spGroup, "", skCount);
  for (auto _ : state) c.Summary()->CalculateGroups();
  items->Clear();
  c.Groups()->ClearGrouping();
}
BENCHMARK(BM_GroupSummariesTwoLevels)->Unit(benchmark::kMillisecond);

// Text keys "k0000000" ... in random order, searched by typing one of them.
TcxDataController& TextController() {
  static std::unique_ptr<TcxDataController> c = [] {
    static TObject item;
    auto p = std::make_unique<TcxDataController>(nullptr);
    p->AddItem(&item);
    p->ChangeValueTypeClass(0, TcxStringValueType::Class());
    std::vector<int> keys = Keys();
    p->BeginUpdate();
    p->SetRecordCount(kRecords);
    for (int r = 0; r < kRecords; ++r) p->SetValue(r, 0, Format("k%.7d", {keys[std::size_t(r)] % 10000000}));
    p->EndUpdate();
    p->ChangeItemSortOrder(0, soAscending);
    return p;
  }();
  return *c;
}

// The baseline: every typed character scans every record's text from the top.
void BM_Baseline_FullScanPerCharacter(benchmark::State& state) {
  TcxDataController& c = TextController();
  String key = c.GetDisplayText(kRecords / 2, 0);
  for (auto _ : state) {
    for (int i = 1; i <= 8; ++i) {
      String prefix = key.substr(0, std::size_t(i));
      int found = -1;
      for (int p = 0; p < c.FilteredRecordCount() && found == -1; ++p)
        if (TextMatches(c.GetDisplayText(c.FilteredRecordIndex(p), 0), prefix, true)) found = p;
      for (int p = found + 1; p < c.FilteredRecordCount(); ++p)  // every record, as a full scan does
        benchmark::DoNotOptimize(TextMatches(c.GetDisplayText(c.FilteredRecordIndex(p), 0), prefix, true));
    }
  }
  state.SetItemsProcessed(state.iterations() * 8);
}
BENCHMARK(BM_Baseline_FullScanPerCharacter)->Unit(benchmark::kMillisecond);

void BM_IncrementalSearchPerCharacter(benchmark::State& state) {
  TcxDataController& c = TextController();
  String key = c.GetDisplayText(kRecords / 2, 0);
  int chars = int(state.range(0));
  for (auto _ : state) {
    c.GotoFirst();
    for (int i = 1; i <= chars; ++i) c.Search()->Locate(0, key.substr(0, std::size_t(i)));
  }
  state.SetItemsProcessed(state.iterations() * chars);
}
BENCHMARK(BM_IncrementalSearchPerCharacter)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
