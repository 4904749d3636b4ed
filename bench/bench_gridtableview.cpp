// The table view's layout and painting: a view of 10 columns on a 1024 x 768 site at 10,000 and
// at 1,000,000 records in one run. Targets: opening (filled data controller to the first painted
// screen) within 2x, PageDown with its repaint and a full repaint each within 1.5x at 1,000,000
// of the same at 10,000; the full repaint within 3x of a plain loop filling the same cell
// backgrounds and drawing the same texts and lines; ApplyBestFit of 200 columns over 1,000
// rows within 5x of 50 columns; sorting by a header click within 1.2x of the data controller
// sorting by the same item alone.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/BenchGrid.h"
#include "gridviews/cxGridRows.h"

namespace {

struct TBenchTable : benchgrid::TBenchGridForm {
  TcxGridTableView* view;
  TBenchTable(int records, int columns) : TBenchGridForm({InitializeCxGridTableView}, 1024, 768) {
    view = AddView<TcxGridTableView>();
    view->GetOptionsView()->SetGroupByBox(false);
    for (int i = 0; i < columns; ++i) view->CreateItem();
    TcxCustomDataController* dc = view->DataController();
    benchgrid::SetIntegerItems(dc, columns);
    benchgrid::FillRecords(dc, records, columns, benchgrid::SpreadValue);
  }
  void Open() {
    Show();
    form->Repaint();
  }
};

void BM_Open(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto table = std::make_unique<TBenchTable>(int(state.range(0)), 10);
    state.ResumeTiming();
    table->Open();
    state.PauseTiming();
    table.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Open)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

TBenchTable& Shown(int records) {
  TBenchTable& t = benchgrid::OnlyFixture<TBenchTable>({InitializeCxGridTableView}, records, 10);
  t.Open();
  return t;
}

void BM_PageDown(benchmark::State& state) {
  TBenchTable& t = Shown(int(state.range(0)));
  auto* controller = t.view->GetController();
  for (auto _ : state) {
    Word key = VK_NEXT;
    controller->HandleKeyDown(key, TShiftState());
    if (controller->TopRecordIndex() > state.range(0) - 100) controller->SetTopRecordIndex(0);
    t.form->Repaint();
  }
}
BENCHMARK(BM_PageDown)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_FullRepaint(benchmark::State& state) {
  TBenchTable& t = Shown(int(state.range(0)));
  for (auto _ : state) {
    t.view->Painter()->Invalidate();
    t.view->Site()->Update();
  }
  state.counters["rows"] = t.view->GetViewInfo()->RecordsViewInfo()->Count();
  state.counters["visible"] = t.form->Visible() && t.view->Site()->HandleAllocated();
}
BENCHMARK(BM_FullRepaint)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// The same cells drawn by a plain loop on the site's canvas: backgrounds, texts, lines.
void BM_PlainCellLoop(benchmark::State& state) {
  TBenchTable& t = Shown(10000);
  auto* rows = static_cast<TcxGridRowsViewInfo*>(t.view->GetViewInfo()->RecordsViewInfo());
  TcxCanvas* canvas = t.view->Site()->Canvas();
  std::vector<TRect> cells;
  std::vector<String> texts;
  for (Integer i = 0; i < rows->Count(); ++i)
    if (auto* row = dynamic_cast<TcxGridDataRowViewInfo*>(rows->Items(i)))
      for (Integer c = 0; c < row->CellCount(); ++c)
        if (TcxGridDataCellViewInfo* cell = row->ExistingCell(c)) {
          cells.push_back(cell->Bounds);
          texts.push_back(cell->GetText());
        }
  for (auto _ : state) {
    for (size_t i = 0; i < cells.size(); ++i) {
      canvas->FillRectColor(cells[i], clWindow);
      canvas->OutputText(texts[i], GrowRect(cells[i], -2, -2), ctfLeft | ctfVCenter | ctfSingleLine);
      canvas->FillRectColor(TRect(cells[i].Left, cells[i].Bottom - 1, cells[i].Right, cells[i].Bottom), clBtnShadow);
      canvas->FillRectColor(TRect(cells[i].Right - 1, cells[i].Top, cells[i].Right, cells[i].Bottom), clBtnShadow);
    }
  }
}
BENCHMARK(BM_PlainCellLoop)->Unit(benchmark::kMicrosecond);

void BM_ApplyBestFit(benchmark::State& state) {
  TBenchTable t(1000, int(state.range(0)));
  t.Open();
  for (auto _ : state) t.view->ApplyBestFit();
}
BENCHMARK(BM_ApplyBestFit)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_HeaderClickSort(benchmark::State& state) {
  TBenchTable& t = Shown(1000000);
  auto* controller = t.view->GetController();
  for (auto _ : state) controller->ProcessHeaderClick(t.view->GetColumn(3), TShiftState());
}
BENCHMARK(BM_HeaderClickSort)->Unit(benchmark::kMillisecond);

void BM_DataControllerSort(benchmark::State& state) {
  TBenchTable& t = Shown(1000000);
  TcxCustomDataController* dc = t.view->DataController();
  TcxDataSortOrder order = soAscending;
  for (auto _ : state) {
    order = order == soAscending ? soDescending : soAscending;
    dc->BeginUpdate();
    dc->ClearSorting(false);
    dc->ChangeItemSortOrder(3, order);
    dc->EndUpdate();
  }
}
BENCHMARK(BM_DataControllerSort)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
