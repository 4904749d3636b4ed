// Grouping a table view of 1,000,000 records by a column header dropped on the group-by box,
// from the release of the mouse to the first painted screen, against the data controller
// regrouping by the same item alone (target: within 1.3x).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "bench/BenchGrid.h"
#include "gridviews/cxGridRows.h"
#include "gridviews/cxGridTableViewInfo.h"
#include "rtl/Clock.h"
#include "user/Backend.h"

namespace {

constexpr int kRows = 1000000;
constexpr int kColumns = 4;
constexpr int kGroupedColumn = 1;

// 1,000 groups in the grouped column, 100,000 values in the others.
Variant Value(int record, int item) {
  return Variant(int((record * 7919LL + item * 104729LL) % (item == kGroupedColumn ? 1000 : 100000)));
}

// The manual clock comes first: it is in place before the form is made.
struct TBenchClock {
  TManualClock clock;  // presses one second apart are never double clicks
  TBenchClock() { SetClock(&clock); }
};

struct TBenchGrid : TBenchClock, benchgrid::TBenchGridForm {
  TcxGridTableView* view;
  TBenchGrid() : TBenchGridForm({InitializeCxGridTableView}, 1024, 768) {
    view = AddView<TcxGridTableView>();
    view->GetOptionsCustomize()->SetColumnHidingOnGrouping(false);
    for (int i = 0; i < kColumns; ++i) view->CreateItem()->SetCaption("Column");
    TcxCustomDataController* dc = view->DataController();
    benchgrid::SetIntegerItems(dc, kColumns);
    benchgrid::FillRecords(dc, kRows, kColumns, Value);
    Show();
    form->Repaint();
  }
  POINT Screen(const TRect& r, Integer dx) {
    POINT p{r.Left + dx, (r.Top + r.Bottom) / 2};
    ClientToScreen(view->Site()->Handle(), &p);
    return p;
  }
  // Presses on the header of the grouped column and drags it over the group-by box.
  POINT PressAndDragOverBox() {
    clock.Advance(1000);
    TcxGridTableViewInfo* info = view->GetViewInfo();
    const POINT from = Screen(info->HeaderViewInfo()->GetItemViewInfo(kGroupedColumn)->Bounds, 10);
    const POINT to = Screen(info->GroupByBoxViewInfo()->Bounds, 10);
    InputMouseMove(from);
    InputMouseButton(kMouseLeft, true, from);
    benchgrid::PumpMessages();
    for (int i = 1; i <= 4; ++i) {
      InputMouseMove(POINT{from.X + (to.X - from.X) * i / 4, from.Y + (to.Y - from.Y) * i / 4});
      benchgrid::PumpMessages();
    }
    return to;
  }
  // Releases the mouse there: the drop, its layout and the first paint.
  void Drop(POINT to) {
    InputMouseButton(kMouseLeft, false, to);
    benchgrid::PumpMessages();
    view->Site()->Update();
  }
  void Ungroup() {
    view->GetColumn(kGroupedColumn)->SetGroupIndex(-1);
    benchgrid::PumpMessages();
    form->Repaint();
  }
};

TBenchGrid& Grid() {
  static TBenchGrid g;
  return g;
}

void BM_GroupByDropOnGroupByBox(benchmark::State& state) {
  TBenchGrid& g = Grid();
  bool grouped = true;
  int rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const POINT to = g.PressAndDragOverBox();
    state.ResumeTiming();
    g.Drop(to);
    state.PauseTiming();
    grouped = grouped && g.view->GetColumn(kGroupedColumn)->GroupIndex() == 0;
    rows = g.view->DataController()->RowCount();
    g.Ungroup();
    state.ResumeTiming();
  }
  state.counters["grouped"] = grouped ? 1 : 0;
  state.counters["rows"] = rows;
}
BENCHMARK(BM_GroupByDropOnGroupByBox)->Unit(benchmark::kMillisecond)->Iterations(10);

// A data controller of its own with the same items and values, grouped alone.
TcxDataController& Baseline() {
  static std::vector<std::unique_ptr<TObject>> items;
  static TcxDataController dc(nullptr);
  if (items.empty()) {
    for (int i = 0; i < kColumns; ++i) {
      items.push_back(std::make_unique<TObject>());
      dc.AddItem(items.back().get());
      dc.ChangeValueTypeClass(i, TcxIntegerValueType::Class());
    }
    dc.BeginUpdate();
    dc.SetRecordCount(kRows);
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kColumns; ++c) dc.SetValue(r, c, Value(r, c));
    dc.EndUpdate();
  }
  return dc;
}

void Regroup(TcxDataController& dc) {
  dc.BeginUpdate();
  dc.Groups()->ChangeItemGroupIndex(kGroupedColumn, 0);
  dc.EndUpdate();
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_DataControllerRegrouping(benchmark::State& state) {
  Grid();
  TcxDataController& dc = Baseline();
  int rows = 0;
  for (auto _ : state) {
    Regroup(dc);
    state.PauseTiming();
    rows = dc.RowCount();
    dc.Groups()->ClearGrouping();
    state.ResumeTiming();
  }
  state.counters["rows"] = rows;
}
BENCHMARK(BM_DataControllerRegrouping)->Unit(benchmark::kMillisecond)->Iterations(10);

// Both in turn, so that a busy machine weighs on both alike: "x_regrouping" is the drop's best
// time divided by the data controller's best time (target: at most 1.3).
void BM_DropAgainstRegroupingInTurn(benchmark::State& state) {
  TBenchGrid& g = Grid();
  TcxDataController& dc = Baseline();
  double drop = 1e9, regroup = 1e9;
  for (auto _ : state) {
    const POINT to = g.PressAndDragOverBox();
    auto start = std::chrono::steady_clock::now();
    g.Drop(to);
    drop = std::min(drop, Seconds(start));
    g.Ungroup();
    start = std::chrono::steady_clock::now();
    Regroup(dc);
    regroup = std::min(regroup, Seconds(start));
    dc.Groups()->ClearGrouping();
  }
  state.counters["drop_ms"] = drop * 1000;
  state.counters["regroup_ms"] = regroup * 1000;
  state.counters["x_regrouping"] = drop / regroup;
}
BENCHMARK(BM_DropAgainstRegroupingInTurn)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
