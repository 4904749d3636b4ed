// The grid's change queue: a locked batch of repaint changes of distinct rectangles of one
// view, compacted and run at the outermost EndUpdate. 100,000 changes against 10,000 in the
// same run (target: within 15x, that is linear up to a small factor; comparing every pair of
// changes would make it 100x).
#include <benchmark/benchmark.h>

#include "data/cxCustomData.h"
#include "bench/BenchGrid.h"
#include "grid/cxGrid.h"

namespace {

class TBenchViewInfo : public TcxCustomGridViewInfo {
 public:
  explicit TBenchViewInfo(TcxCustomGridView* v) : TcxCustomGridViewInfo(v) {}
  static TClass StaticClass();
};

class TBenchController : public TcxCustomGridController {
 public:
  explicit TBenchController(TcxCustomGridView* v) : TcxCustomGridController(v) {}
  static TClass StaticClass();
};

class TBenchPainter : public TcxCustomGridPainter {
 public:
  explicit TBenchPainter(TcxCustomGridView* v) : TcxCustomGridPainter(v) {}
  static TClass StaticClass();
};

class TBenchView : public TcxCustomGridView {
 public:
  explicit TBenchView(TComponent* owner) : TcxCustomGridView(owner) {}
  static TClass StaticClass();
  TClass ClassType() const override { return StaticClass(); }
  TClass GetControllerClass() override { return TBenchController::StaticClass(); }
  TcxDataControllerClass GetDataControllerClass() override { return DataControllerClassOf<TcxDataController>(); }
  TClass GetPainterClass() override { return TBenchPainter::StaticClass(); }
  TClass GetViewDataClass() override { return TcxCustomGridViewData::StaticClass(); }
  TClass GetViewInfoClass() override { return TBenchViewInfo::StaticClass(); }
};

template <class T>
TClass ClassOf(const char* name, TClass parent) {
  static const TClassInfo info(name, parent, rtl_detail::FactoryOf<T>());
  return &info;
}
TClass TBenchViewInfo::StaticClass() { return ClassOf<TBenchViewInfo>("TBenchViewInfo", TcxCustomGridViewInfo::StaticClass()); }
TClass TBenchController::StaticClass() {
  return ClassOf<TBenchController>("TBenchController", TcxCustomGridController::StaticClass());
}
TClass TBenchPainter::StaticClass() { return ClassOf<TBenchPainter>("TBenchPainter", TcxCustomGridPainter::StaticClass()); }
TClass TBenchView::StaticClass() { return ClassOf<TBenchView>("TBenchView", TcxCustomGridView::StaticClass()); }

struct TBenchGrid : benchgrid::TBenchGridForm {
  TcxCustomGridView* view;
  TBenchGrid() : TBenchGridForm({InitializeCxGrid}) { view = AddView<TBenchView>(); }
};

TBenchGrid& Grid() {
  static TBenchGrid g;
  return g;
}

void BM_RepaintBatch(benchmark::State& state) {
  TBenchGrid& g = Grid();
  const int n = int(state.range(0));
  for (auto _ : state) {
    g.grid->BeginUpdate();
    for (int i = 0; i < n; ++i) g.view->QueueRepaint(TRect(i % 400, i / 400, i % 400 + 1, i / 400 + 1));
    g.grid->EndUpdate();
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RepaintBatch)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The floor under it: making and freeing the same change objects, nothing queued.
void BM_MakeAndFreeChanges(benchmark::State& state) {
  TBenchGrid& g = Grid();
  const int n = int(state.range(0));
  std::vector<TcxCustomGridChange*> changes(size_t(n), nullptr);
  for (auto _ : state) {
    for (int i = 0; i < n; ++i) changes[size_t(i)] = new TcxGridViewChange(g.view, TRect(i % 400, i / 400, i % 400 + 1, i / 400 + 1));
    for (TcxCustomGridChange* c : changes) c->Free();
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_MakeAndFreeChanges)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
