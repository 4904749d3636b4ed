// The record view's controller over 1,000,000 records against the same over 10,000 in one
// run. Targets: PageDown with equal heights within 1.5x, with CellAutoHeight within 3x;
// SelectAll then ClearSelection through the controller within 2x of the data controller
// doing both alone.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "backend/Headless.h"
#include "editors/cxTextEdit.h"
#include "tests/grid/RowView.h"
#include "vcl/Forms.h"

namespace {

using gridtest::TRowsView;

struct TBenchView {
  TForm* form;
  TcxGrid* grid;
  TRowsView* view;
  explicit TBenchView(int rows, bool autoHeight) {
    form = new TForm(Application);
    form->SetBounds(0, 0, 400, 400);
    grid = new TcxGrid(form);
    grid->SetBounds(0, 0, 380, 380);
    grid->SetParent(form);
    view = static_cast<TRowsView*>(grid->CreateView(TRowsView::StaticClass()));
    grid->Levels()->Add()->SetGridView(view);
    for (int c = 0; c < 2; ++c) {
      auto* item = view->CreateItem();
      item->SetPropertiesClass(TcxTextEditProperties::StaticClass());
      item->SetWidth(80);
    }
    TcxCustomDataController* dc = view->DataController();
    dc->BeginUpdate();
    dc->SetRecordCount(rows);
    for (int r = 0; r < rows; ++r) {
      dc->SetValue(r, 0, Variant(String(r % 7 == 0 ? "two\nlines" : "value")));
      dc->SetValue(r, 1, Variant(String("text")));
    }
    dc->EndUpdate();
    if (autoHeight) {
      view->RowHeight = 0;
      view->TableOptionsView()->SetCellAutoHeight(true);
    }
    form->Show();
    view->QueueLayoutChange();
    view->Ctrl()->FocusRowAtIndex(0);
  }
};

THeadlessBackend& Backend() {
  static THeadlessBackend backend;
  static bool installed = [] {
    SetBackend(&backend);
    InitializeCxGrid();
    return true;
  }();
  (void)installed;
  return backend;
}

TBenchView& View(int rows, bool autoHeight) {
  Backend();
  static std::map<std::pair<int, bool>, std::unique_ptr<TBenchView>> views;
  auto& v = views[{rows, autoHeight}];
  if (!v) v = std::make_unique<TBenchView>(rows, autoHeight);
  return *v;
}

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
