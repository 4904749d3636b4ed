// Opening the filter drop-down of a column with 1,000 distinct values over 1,000,000 records
// (the value list, its texts, the list sized and shown) against the data controller's value
// list load alone (target: within 1.5x).
#include <benchmark/benchmark.h>

#include "bench/BenchGrid.h"
#include "grid/cxGridCustomTableController.h"
#include "grid/cxGridFilterPopup.h"
#include "gridviews/cxGridRows.h"

namespace {

constexpr int kRows = 1000000;

struct TBenchGrid : benchgrid::TBenchGridForm {
  TcxGridTableView* view;
  TBenchGrid() : TBenchGridForm({InitializeCxGridTableView}, 380, 280) {
    view = AddView<TcxGridTableView>();
    view->CreateItem()->SetCaption("Value");
    TcxCustomDataController* dc = view->DataController();
    benchgrid::SetIntegerItems(dc, 1);
    benchgrid::FillRecords(dc, kRows, 1, [](int r, int) { return Variant(int((r * 7919LL) % 1000)); });
    form->Show();
    Application->ProcessMessages();
  }
};

TBenchGrid& Grid() {
  static TBenchGrid g;
  return g;
}

void BM_OpenFilterDropDown(benchmark::State& state) {
  TBenchGrid& g = Grid();
  TcxGridFilterPopup* popup = static_cast<TcxCustomGridTableController*>(g.view->Controller())->FilterPopup();
  popup->SetItem(g.view->GetColumn(0));
  bool shown = true;
  for (auto _ : state) {
    popup->PopupShow();
    shown = shown && popup->PopupVisible();
    benchmark::DoNotOptimize(popup->ListBox()->Count());
    state.PauseTiming();
    popup->ClosePopup();
    state.ResumeTiming();
  }
  state.counters["lines"] = popup->Strings()->Count();
  state.counters["shown"] = shown ? 1 : 0;
}
BENCHMARK(BM_OpenFilterDropDown)->Unit(benchmark::kMillisecond);

void BM_DataControllerValueListLoad(benchmark::State& state) {
  TBenchGrid& g = Grid();
  TcxDataFilterCriteria* filter = g.view->DataController()->Filter();
  for (auto _ : state) {
    std::unique_ptr<TcxDataFilterValueList> list(filter->CreateValueList());
    list->Load(0);
    benchmark::DoNotOptimize(list->ValueCount());
  }
}
BENCHMARK(BM_DataControllerValueListLoad)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
