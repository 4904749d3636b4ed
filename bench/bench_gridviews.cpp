// The table view over 1,000,000 records grouped by two columns: expanding every row of the
// view against the data controller's full expansion alone (target: within 5x).
#include <benchmark/benchmark.h>

#include "backend/Headless.h"
#include "gridviews/cxGridRows.h"
#include "vcl/Forms.h"

namespace {

constexpr int kRows = 1000000;

struct TBenchGrid {
  THeadlessBackend backend;
  TForm* form;
  TcxGrid* grid;
  TcxGridTableView* view;
  TBenchGrid() {
    SetBackend(&backend);
    InitializeCxGridTableView();
    form = new TForm(Application);
    grid = new TcxGrid(form);
    grid->SetParent(form);
    view = static_cast<TcxGridTableView*>(grid->CreateView(TcxGridTableView::StaticClass()));
    grid->Levels()->Add()->SetGridView(view);
    view->CreateItem();
    view->CreateItem();
    TcxCustomDataController* dc = view->DataController();
    for (int i = 0; i < 2; ++i) dc->ChangeValueTypeClass(i, TcxIntegerValueType::Class());
    dc->BeginUpdate();
    dc->SetRecordCount(kRows);
    for (int r = 0; r < kRows; ++r) {
      dc->SetValue(r, 0, Variant(r % 100));
      dc->SetValue(r, 1, Variant(r % 1000));
    }
    dc->EndUpdate();
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
