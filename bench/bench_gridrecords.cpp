// The record-based view's data: a record-count change over 1,000,000 rows (wrappers freed,
// slots sized anew) against filling a plain vector of 1,000,000 null pointers (target: within
// 3x), and one item per field for 255 fields against 25 (target: within 15x).
#include <benchmark/benchmark.h>

#include "bench/BenchGrid.h"
#include "db/MemDataSet.h"
#include "grid/cxGrid.h"
#include "grid/cxGridDBDataDefinitions.h"
#include "vcl/Forms.h"

namespace {

constexpr int kRows = 1000000;

template <class T>
TClass ClassOf(const char* name, TClass parent) {
  static const TClassInfo info(name, parent, rtl_detail::FactoryOf<T>());
  return &info;
}

class TBenchViewInfo : public TcxCustomGridViewInfo {
 public:
  explicit TBenchViewInfo(TcxCustomGridView* v) : TcxCustomGridViewInfo(v) {}
  static TClass StaticClass() { return ClassOf<TBenchViewInfo>("TBenchViewInfo", TcxCustomGridViewInfo::StaticClass()); }
};
class TBenchController : public TcxCustomGridController {
 public:
  explicit TBenchController(TcxCustomGridView* v) : TcxCustomGridController(v) {}
  static TClass StaticClass() { return ClassOf<TBenchController>("TBenchController", TcxCustomGridController::StaticClass()); }
};
class TBenchPainter : public TcxCustomGridPainter {
 public:
  explicit TBenchPainter(TcxCustomGridView* v) : TcxCustomGridPainter(v) {}
  static TClass StaticClass() { return ClassOf<TBenchPainter>("TBenchPainter", TcxCustomGridPainter::StaticClass()); }
};
class TBenchRecord : public TcxCustomGridRecord {
 public:
  using TcxCustomGridRecord::TcxCustomGridRecord;
};
class TBenchViewData : public TcxCustomGridTableViewData {
 public:
  explicit TBenchViewData(TcxCustomGridView* v) : TcxCustomGridTableViewData(v) {}
  static TClass StaticClass() { return ClassOf<TBenchViewData>("TBenchViewData", TcxCustomGridTableViewData::StaticClass()); }
  TClass ClassType() const override { return StaticClass(); }
  TcxGridRecordClass GetRecordClass(const TcxRowInfo&) override { return GridRecordClassOf<TBenchRecord>(); }
};
class TBenchColumn : public TcxCustomGridTableItem {
 public:
  explicit TBenchColumn(TComponent* owner) : TcxCustomGridTableItem(owner) {}
  static TClass StaticClass() { return ClassOf<TBenchColumn>("TcxGridDBColumn", TcxCustomGridTableItem::StaticClass()); }
  TClass ClassType() const override { return StaticClass(); }
};
template <class DC>
class TBenchView : public TcxCustomGridTableView {
 public:
  explicit TBenchView(TComponent* owner) : TcxCustomGridTableView(owner) {}
  static TClass StaticClass() { return ClassOf<TBenchView>(DC::kViewName, TcxCustomGridTableView::StaticClass()); }
  TClass ClassType() const override { return StaticClass(); }
  TClass GetControllerClass() override { return TBenchController::StaticClass(); }
  TcxDataControllerClass GetDataControllerClass() override { return DataControllerClassOf<DC>(); }
  TClass GetPainterClass() override { return TBenchPainter::StaticClass(); }
  TClass GetViewDataClass() override { return TBenchViewData::StaticClass(); }
  TClass GetViewInfoClass() override { return TBenchViewInfo::StaticClass(); }
  TClass GetItemClass() override { return TBenchColumn::StaticClass(); }
};

struct TOwnRecords : TcxGridDataController {
  using TcxGridDataController::TcxGridDataController;
  static constexpr const char* kViewName = "TBenchOwnView";
};
struct TDataSetRecords : TcxGridDBDataController {
  using TcxGridDBDataController::TcxGridDBDataController;
  static constexpr const char* kViewName = "TBenchDBView";
};

struct TBenchGrid : benchgrid::TBenchGridForm {
  TBenchView<TDataSetRecords>* view;
  TBenchView<TOwnRecords>* ownView;
  TBenchGrid() : TBenchGridForm({InitializeCxGrid}) {
    view = AddView<TBenchView<TDataSetRecords>>();
    view->SetName("View");
    ownView = AddView<TBenchView<TOwnRecords>>();
    ownView->DataController()->SetRecordCount(kRows);
  }
};

TBenchGrid& Grid() {
  static TBenchGrid g;
  return g;
}

// A record-count change with a screenful of wrappers made since the last one.
void BM_ResetRecords(benchmark::State& state) {
  TBenchGrid& g = Grid();
  auto* data = static_cast<TBenchViewData*>(g.ownView->ViewData());
  data->ResetRecords(kRows);
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < 50; ++i) data->FetchRecord(i);
    state.ResumeTiming();
    data->ResetRecords(kRows);
    benchmark::DoNotOptimize(data->CountRecords());
  }
}
BENCHMARK(BM_ResetRecords)->Unit(benchmark::kMillisecond);

// The floor: the same number of null pointers into a vector that keeps its capacity.
void BM_FillNullPointers(benchmark::State& state) {
  std::vector<void*> slots;
  for (auto _ : state) {
    slots.assign(size_t(kRows), nullptr);
    benchmark::DoNotOptimize(slots.data());
  }
}
BENCHMARK(BM_FillNullPointers)->Unit(benchmark::kMillisecond);

// One item per field of an open data set, after the previous items are cleared.
void BM_CreateAllItems(benchmark::State& state) {
  TBenchGrid& g = Grid();
  const int n = int(state.range(0));
  TMemDataSet ds(nullptr);
  for (int i = 0; i < n; ++i) ds.AddFieldDef("Field " + std::to_string(i), ftString, 10);
  ds.Open();
  TDataSource source(nullptr);
  source.SetDataSet(&ds);
  auto* dc = static_cast<TcxGridDBDataController*>(g.view->DataController());
  dc->SetDataSource(&source);
  for (auto _ : state) {
    state.PauseTiming();
    g.view->ClearItems();
    state.ResumeTiming();
    dc->CreateAllItems();
  }
  g.view->ClearItems();
  dc->SetDataSource(nullptr);
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_CreateAllItems)->Arg(25)->Arg(255)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
