// The lookup list: filtering 100,000 records by a typed prefix against upper-casing their
// display texts and comparing them with the prefix once (target: within 3x); laying out the
// drop-down grid over 100,000 records against over 1,000 (target: about equal, the visible
// rows only).
#include <benchmark/benchmark.h>

#include "BenchHeadless.h"
#include "data/cxDataStorage.h"
#include "editors-extra/cxLookupGrid.h"
#include "rtl/SysUtils.h"

namespace {

struct Session {
  TForm* form = nullptr;
  TcxLookupGrid* big = nullptr;
  TcxLookupGrid* small = nullptr;
  TcxLookupGrid* Make(int count) {
    auto* g = new TcxLookupGrid(form);
    g->SetBounds(10, 10, 300, 200);
    g->SetParent(form);
    g->SetPopupMode(true);
    g->BeginUpdate();
    g->Columns()->AddColumn();
    TcxCustomDataController* dc = g->DataController();
    dc->ChangeValueTypeClass(0, TcxStringValueType::Class());
    dc->SetRecordCount(count);
    for (int i = 0; i < count; ++i) dc->SetValue(i, 0, "Value " + IntToStr((i * 7919) % count));
    g->EndUpdate();
    return g;
  }
  Session() {
    benchheadless::StartHeadless({InitializeForms, InitializeCxLookupGrid}, 1024, 768);
    form = benchheadless::NewForm(400, 400);
    big = Make(100000);
    small = Make(1000);
    Application->ProcessMessages();
  }
};

Session& S() {
  static Session s;
  return s;
}

void BM_UpperCaseAndCompareOnce(benchmark::State& state) {
  TcxCustomDataController* dc = S().big->DataController();
  const String prefix = AnsiUpperCase("value 12");
  for (auto _ : state) {
    int hits = 0;
    for (int r = 0; r < dc->GetRecordCount(); ++r) {
      const String t = AnsiUpperCase(dc->GetDisplayText(r, 0));
      if (t.compare(0, prefix.size(), prefix) == 0) ++hits;
    }
    benchmark::DoNotOptimize(hits);
  }
}

void BM_FilterByTypedPrefix(benchmark::State& state) {
  TcxCustomDataController* dc = S().big->DataController();
  for (auto _ : state) {
    benchmark::DoNotOptimize(dc->ChangeIncrementalFilterText(0, "value 12"));
    state.PauseTiming();
    dc->ResetIncrementalFilter();
    state.ResumeTiming();
  }
}

void LayOut(benchmark::State& state, TcxLookupGrid* g) {
  Integer extra = 0;
  for (auto _ : state) {
    extra ^= 1;  // a new height each time, so the layout is made again
    g->SetBounds(10, 10, 300, 200 + extra);
    benchmark::DoNotOptimize(g->ViewInfo()->Rows.size());
  }
}

void BM_OpenList100k(benchmark::State& state) { LayOut(state, S().big); }
void BM_OpenList1k(benchmark::State& state) { LayOut(state, S().small); }

BENCHMARK(BM_UpperCaseAndCompareOnce)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterByTypedPrefix)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenList1k)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenList100k)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
