// The record view's controller over 1,000,000 records against the same over 10,000 in one
// run. Targets: PageDown with equal heights within 1.5x, with CellAutoHeight within 3x;
// SelectAll then ClearSelection through the controller within 2x of the data controller
// doing both alone.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/BenchGrid.h"
#include "editors/cxTextEdit.h"
#include "tests/grid/RowView.h"

namespace {

using gridtest::TRowsView;

struct TBenchView : benchgrid::TBenchGridForm {
  TRowsView* view;
  explicit TBenchView(int rows, bool autoHeight) : TBenchGridForm({InitializeCxGrid}, 380, 380) {
    view = AddView<TRowsView>();
    for (int c = 0; c < 2; ++c) {
      auto* item = view->CreateItem();
      item->SetPropertiesClass(TcxTextEditProperties::StaticClass());
      item->SetWidth(80);
    }
    benchgrid::FillRecords(view->DataController(), rows, 2, [](int r, int i) {
      return i == 0 ? Variant(String(r % 7 == 0 ? "two\nlines" : "value")) : Variant(String("text"));
    });
    if (autoHeight) {
      view->RowHeight = 0;
      view->TableOptionsView()->SetCellAutoHeight(true);
    }
    form->Show();
    view->QueueLayoutChange();
    view->Ctrl()->FocusRowAtIndex(0);
  }
};

TBenchView& View(int rows, bool autoHeight) { return benchgrid::OnlyFixture<TBenchView>({InitializeCxGrid}, rows, autoHeight); }

// PageDown through the first 2,000 records, back to the top between rounds.
void BM_PageDown(benchmark::State& state) {
  TBenchView& v = View(int(state.range(0)), state.range(1) != 0);
  auto* controller = v.view->Ctrl();
  for (auto _ : state) {
    state.PauseTiming();
    controller->FocusRowAtIndex(0);
    controller->SetTopRecordIndexChecked(0);
    state.ResumeTiming();
    while (controller->FocusedRowIndex() < 2000) controller->FocusNextPage(false);
  }
}
BENCHMARK(BM_PageDown)->Args({10000, 0})->Args({1000000, 0})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageDown)->Args({10000, 1})->Args({1000000, 1})->Unit(benchmark::kMillisecond);

void BM_SelectAllClearByController(benchmark::State& state) {
  TBenchView& v = View(1000000, false);
  v.view->TableOptionsSelection()->SetMultiSelect(true);
  for (auto _ : state) {
    v.view->Ctrl()->SelectAll();
    v.view->Ctrl()->ClearSelection();
  }
}
BENCHMARK(BM_SelectAllClearByController)->Unit(benchmark::kMillisecond);

void BM_SelectAllClearByDataController(benchmark::State& state) {
  TBenchView& v = View(1000000, false);
  v.view->TableOptionsSelection()->SetMultiSelect(true);
  TcxCustomDataController* dc = v.view->DataController();
  for (auto _ : state) {
    dc->SelectAll();
    dc->ClearSelection();
  }
}
BENCHMARK(BM_SelectAllClearByDataController)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
