// The card view's paging and painting: a view of 4 rows on a 1024 x 768 site at 10,000 and at
// 1,000,000 records in one run. Targets: PageDown with its repaint and a full repaint each
// within 1.5x at 1,000,000 of the same at 10,000.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/BenchGrid.h"
#include "gridviews/cxGridCardView.h"

namespace {

struct TBenchCards : benchgrid::TBenchGridForm {
  TcxGridCardView* view;
  explicit TBenchCards(int records) : TBenchGridForm({InitializeCxGridCardView}, 1024, 768) {
    view = AddView<TcxGridCardView>();
    for (int i = 0; i < 4; ++i) view->CreateRow()->SetCaption("Row " + std::to_string(i));
    TcxCustomDataController* dc = view->DataController();
    benchgrid::SetIntegerItems(dc, 4);
    benchgrid::FillRecords(dc, records, 4, benchgrid::SpreadValue);
    Show();
    form->Repaint();
  }
};

TBenchCards& Shown(int records) { return benchgrid::OnlyFixture<TBenchCards>({InitializeCxGridCardView}, records); }

void BM_CardsPageDown(benchmark::State& state) {
  TBenchCards& t = Shown(int(state.range(0)));
  auto* controller = static_cast<TcxGridCardViewController*>(t.view->Controller());
  for (auto _ : state) {
    Word key = VK_NEXT;
    controller->HandleKeyDown(key, TShiftState());
    if (controller->TopRecordIndex() > state.range(0) - 200) controller->SetTopRecordIndex(0);
    benchgrid::PumpMessages();
    t.form->Repaint();
  }
  state.counters["top"] = controller->TopRecordIndex();
}
BENCHMARK(BM_CardsPageDown)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_CardsFullRepaint(benchmark::State& state) {
  TBenchCards& t = Shown(int(state.range(0)));
  for (auto _ : state) {
    t.view->Painter()->Invalidate();
    t.view->Site()->Update();
  }
  state.counters["cards"] = t.view->GetViewInfo()->GetCardsViewInfo()->Count();
}
BENCHMARK(BM_CardsFullRepaint)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
