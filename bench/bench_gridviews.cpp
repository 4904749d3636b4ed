// The table view over 1,000,000 records grouped by two columns: expanding every row of the
// view against the data controller's full expansion alone (target: within 5x).
#include <benchmark/benchmark.h>

#include "bench/BenchGrid.h"
#include "gridviews/cxGridRows.h"

namespace {

constexpr int kRows = 1000000;

struct TBenchGrid : benchgrid::TBenchGridForm {
  TcxGridTableView* view;
  TBenchGrid() : TBenchGridForm({InitializeCxGridTableView}) {
    view = AddView<TcxGridTableView>();
    view->CreateItem();
    view->CreateItem();
    TcxCustomDataController* dc = view->DataController();
    benchgrid::SetIntegerItems(dc, 2);
    benchgrid::FillRecords(dc, kRows, 2, [](int r, int i) { return Variant(i == 0 ? r % 100 : r % 1000); });
    view->GetColumn(0)->SetGroupIndex(0);
    view->GetColumn(1)->SetGroupIndex(1);
  }
};

TBenchGrid& Grid() {
  static TBenchGrid g;
  return g;
}

void BM_ViewExpandAll(benchmark::State& state) {
  TBenchGrid& g = Grid();
  for (auto _ : state) {
    state.PauseTiming();
    g.view->DataController()->Groups()->FullCollapse();
    state.ResumeTiming();
    g.view->GetViewData()->ExpandAll(false);
    benchmark::DoNotOptimize(g.view->GetViewData()->GetRowCount());
  }
  state.counters["rows"] = g.view->GetViewData()->GetRowCount();
}
BENCHMARK(BM_ViewExpandAll)->Unit(benchmark::kMillisecond);

void BM_DataControllerFullExpand(benchmark::State& state) {
  TBenchGrid& g = Grid();
  for (auto _ : state) {
    state.PauseTiming();
    g.view->DataController()->Groups()->FullCollapse();
    state.ResumeTiming();
    g.view->DataController()->Groups()->FullExpand();
    benchmark::DoNotOptimize(g.view->DataController()->RowCount());
  }
  state.counters["rows"] = g.view->DataController()->RowCount();
}
BENCHMARK(BM_DataControllerFullExpand)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
