// The pivot grid export link: collecting the distinct edges of 200,000 laid-out cells (a table
// of 500 x 400 cells, as the export layout gives them) against std::sort plus std::unique of
// the same edges (target: within 3x; no search of the edge list per edge).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "export/cxExportPivotGridLink.h"
#include "pivotgrid/cxCustomPivotGrid.h"

namespace {

constexpr int kColumns = 500, kRows = 400;

// The cells of a table with columns of varying widths and rows of varying heights.
struct TCells {
  TcxPivotGridCells list{true};
  TCells() {
    std::vector<int> xs{0}, ys{0};
    for (int c = 0; c < kColumns; ++c) xs.push_back(xs.back() + 40 + (c * 7) % 30);
    for (int r = 0; r < kRows; ++r) ys.push_back(ys.back() + 17 + (r * 3) % 5);
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kColumns; ++c) {
        auto* cell = new TcxPivotGridCustomCellViewInfo;
        cell->Bounds = TRect(xs[size_t(c)], ys[size_t(r)], xs[size_t(c) + 1], ys[size_t(r) + 1]);
        list.Add(cell);
      }
  }
};

TCells& Cells() {
  static TCells cells;
  return cells;
}

void BM_CollectEdges(benchmark::State& state) {
  std::vector<TcxPivotGridCells*> lists{&Cells().list};
  std::vector<Integer> xs, ys;
  for (auto _ : state) {
    TcxPivotGridMapsInfo::CollectEdges(lists, xs, ys);
    benchmark::DoNotOptimize(xs.data());
    benchmark::DoNotOptimize(ys.data());
  }
}
BENCHMARK(BM_CollectEdges)->Unit(benchmark::kMillisecond);

// The baseline: the same edges, already gathered, sorted and made unique.
void BM_SortUniqueBaseline(benchmark::State& state) {
  std::vector<Integer> allX, allY;
  for (TcxPivotGridCustomCellViewInfo* cell : Cells().list.List()) {
    allX.push_back(cell->Bounds.Left);
    allX.push_back(cell->Bounds.Right);
    allY.push_back(cell->Bounds.Top);
    allY.push_back(cell->Bounds.Bottom);
  }
  std::vector<Integer> xs, ys;
  for (auto _ : state) {
    xs = allX;
    ys = allY;
    for (std::vector<Integer>* v : {&xs, &ys}) {
      std::sort(v->begin(), v->end());
      v->erase(std::unique(v->begin(), v->end()), v->end());
    }
    benchmark::DoNotOptimize(xs.data());
    benchmark::DoNotOptimize(ys.data());
  }
}
BENCHMARK(BM_SortUniqueBaseline)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
