// The banded table view: paging and painting a view of three bands with three band rows each
// on a 1024 x 768 site at 10,000 and at 1,000,000 records, in one run (targets: PageDown with
// its repaint and a full repaint each within 1.5x at 1,000,000 of the same at 10,000); and the
// layout of 200 columns in 20 bands against 50 columns in 5 bands (target: within 5x, the
// width limits and distributions computed once per layout).
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/BenchGrid.h"
#include "gridviews/cxGridBandedTableViewInfo.h"

namespace {

struct TBenchBanded : benchgrid::TBenchGridForm {
  TcxGridBandedTableView* view;
  TBenchBanded(int records, int bands, int columnsPerBand) : TBenchGridForm({InitializeCxGridBandedTableView}, 1024, 768) {
    view = AddView<TcxGridBandedTableView>();
    view->GetOptionsView()->SetGroupByBox(false);
    for (int b = 0; b < bands; ++b) view->Bands()->Add()->SetCaption("Band " + std::to_string(b));
    for (int b = 0; b < bands; ++b)
      for (int c = 0; c < columnsPerBand; ++c) {
        TcxGridBandedColumn* column = view->CreateColumn();
        column->SetCaption("C" + std::to_string(b) + "." + std::to_string(c));
        column->Position()->SetBandIndex(b);
        column->Position()->SetRowIndex(c % 3);
      }
    TcxCustomDataController* dc = view->DataController();
    benchgrid::SetIntegerItems(dc, view->GetColumnCount());
    benchgrid::FillRecords(dc, records, view->GetColumnCount(), benchgrid::SpreadValue);
    Show();
    form->Repaint();
  }
};

TBenchBanded& Shown(int records, int bands, int columnsPerBand) {
  return benchgrid::OnlyFixture<TBenchBanded>({InitializeCxGridBandedTableView}, records, bands, columnsPerBand);
}

void BM_BandedPageDown(benchmark::State& state) {
  TBenchBanded& t = Shown(int(state.range(0)), 3, 6);
  auto* controller = t.view->GetController();
  for (auto _ : state) {
    Word key = VK_NEXT;
    controller->HandleKeyDown(key, TShiftState());
    if (controller->TopRecordIndex() > state.range(0) - 200) controller->SetTopRecordIndex(0);
    benchgrid::PumpMessages();
    t.form->Repaint();
  }
  state.counters["top"] = controller->TopRecordIndex();
}
BENCHMARK(BM_BandedPageDown)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_BandedFullRepaint(benchmark::State& state) {
  TBenchBanded& t = Shown(int(state.range(0)), 3, 6);
  for (auto _ : state) {
    t.view->Painter()->Invalidate();
    t.view->Site()->Update();
  }
  state.counters["lines"] = t.view->GetViewInfo()->GetBandsViewInfo()->GetLineCount();
}
BENCHMARK(BM_BandedFullRepaint)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// A full layout (column auto width on, so every distribution runs) of 100 records.
void BM_BandedLayout(benchmark::State& state) {
  const int bands = int(state.range(0));
  TBenchBanded& t = Shown(100, bands, 10);
  t.view->GetOptionsView()->SetColumnAutoWidth(true);
  benchgrid::PumpMessages();
  for (auto _ : state) t.view->ViewInfo()->Calculate();
  state.counters["columns"] = t.view->GetVisibleColumnCount();
}
BENCHMARK(BM_BandedLayout)->Arg(5)->Arg(20)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
