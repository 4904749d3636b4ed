// The pivot grid's full rebuild (trees, flattening and the summaries of every cell, totals
// included) against a plain hash-map group-by of the same values (target: within 5x), and a
// collapse (a layout change) against the rebuild (target: within 1/10). 1,000,000 records: a text row field of 50 values, an integer row
// field of 200 values, a column field of 12 values and a float data field.
#include <benchmark/benchmark.h>

#include <cfloat>
#include <random>
#include <tuple>
#include <unordered_map>

#include "pivotgrid/cxCustomPivotGrid.h"
#include "rtl/SysUtils.h"

namespace {

constexpr int kRecords = 1000000;

struct TData {
  std::vector<String> text;
  std::vector<int> number, month;
  std::vector<double> amount;
  TData() {
    std::mt19937 rng(7);
    text.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
      text.push_back("name" + std::to_string(rng() % 50));
      number.push_back(int(rng() % 200));
      month.push_back(int(rng() % 12) + 1);
      amount.push_back(double(rng() % 100000) / 100);
    }
  }
};

TData& Data() {
  static TData d;
  return d;
}

struct TGrid {
  TComponent owner{nullptr};
  TcxCustomPivotGrid* grid;
  TcxPivotGridField *text, *number, *month, *amount;
  TGrid() : grid(new TcxCustomPivotGrid(&owner)) {
    TData& d = Data();
    auto add = [&](const char* name, const char* type) {
      TcxPivotGridField* f = grid->CreateField();
      f->SetName(name);
      f->DataBinding()->SetValueType(type);
      return f;
    };
    grid->BeginUpdate();
    text = add("text", "String");
    number = add("number", "Integer");
    month = add("month", "Integer");
    amount = add("amount", "Float");
    TcxCustomDataController* dc = grid->DataController();
    dc->SetRecordCount(kRecords);
    for (int r = 0; r < kRecords; ++r) {
      dc->SetValue(r, 0, d.text[std::size_t(r)]);
      dc->SetValue(r, 1, d.number[std::size_t(r)]);
      dc->SetValue(r, 2, d.month[std::size_t(r)]);
      dc->SetValue(r, 3, d.amount[std::size_t(r)]);
    }
    for (auto [f, a] : {std::pair{text, faRow}, {number, faRow}, {month, faColumn}, {amount, faData}}) {
      f->SetArea(a);
      f->SetVisible(true);
    }
    grid->EndUpdate();
  }
  // Every cell of the view, totals included.
  double Cells() {
    TcxPivotGridViewData* vd = grid->ViewData();
    double sum = 0;
    for (int r = 0; r < vd->RowCount(); ++r) {
      TcxPivotGridField* df = nullptr;
      TcxPivotGridGroupItem* row = vd->RowItem(r)->GetOwningGroupItem(df);
      for (int c = 0; c < vd->ColumnCount(); ++c) {
        TcxPivotGridGroupItem* column = vd->ColumnItem(c)->GetOwningGroupItem(df);
        TcxPivotGridCrossCell* cell = row->GetCrossCell(column);
        const Variant& v = cell->Summaries(0)->Values(stSum);
        if (!v.IsNull()) sum += v.AsDouble();
      }
    }
    return sum;
  }
};

TGrid& Grid() {
  static TGrid g;
  return g;
}

void BM_HashMapGroupBy(benchmark::State& state) {
  TData& d = Data();
  struct TKeyHash {
    std::size_t operator()(const std::tuple<String, int, int>& k) const {
      return std::hash<std::string>()(std::get<0>(k)) * 1000003 ^ std::size_t(std::get<1>(k) * 31 + std::get<2>(k));
    }
  };
  struct TAcc {
    long long count = 0;
    double sum = 0, min = DBL_MAX, max = -DBL_MAX, squares = 0;
  };
  for (auto _ : state) {
    std::unordered_map<std::tuple<String, int, int>, TAcc, TKeyHash> map;
    for (int r = 0; r < kRecords; ++r) {
      double x = d.amount[std::size_t(r)];
      TAcc& a = map[{d.text[std::size_t(r)], d.number[std::size_t(r)], d.month[std::size_t(r)]}];
      ++a.count;
      a.sum += x;
      a.min = std::min(a.min, x);
      a.max = std::max(a.max, x);
      a.squares += x * x;
    }
    benchmark::DoNotOptimize(map.size());
  }
}
BENCHMARK(BM_HashMapGroupBy)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_PivotFullRebuild(benchmark::State& state) {
  TGrid& g = Grid();
  for (auto _ : state) {
    g.grid->DataChanged();
    benchmark::DoNotOptimize(g.Cells());
  }
  state.counters["rows"] = g.grid->ViewData()->RowCount();
  state.counters["columns"] = g.grid->ViewData()->ColumnCount();
}
BENCHMARK(BM_PivotFullRebuild)->Unit(benchmark::kMillisecond)->MinTime(3);

// The two halves of the rebuild: the trees with the flattening, and the cells.
void BM_PivotRebuildTreesOnly(benchmark::State& state) {
  TGrid& g = Grid();
  for (auto _ : state) g.grid->DataChanged();
}
BENCHMARK(BM_PivotRebuildTreesOnly)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_PivotCellsOnly(benchmark::State& state) {
  TGrid& g = Grid();
  for (auto _ : state) {
    state.PauseTiming();
    g.grid->DataChanged();
    state.ResumeTiming();
    benchmark::DoNotOptimize(g.Cells());
  }
}
BENCHMARK(BM_PivotCellsOnly)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_PivotCollapseGroup(benchmark::State& state) {
  TGrid& g = Grid();
  g.grid->DataChanged();
  TcxPivotGridGroupItem* item = g.grid->DataBuilder()->RowRoot()->Items(0);
  bool expanded = true;
  for (auto _ : state) {
    expanded = !expanded;
    item->SetExpanded(expanded);
  }
}
BENCHMARK(BM_PivotCollapseGroup)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace

int main(int argc, char** argv) {
  InitializeCxCustomPivotGrid();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  FinalizeUnits();
  return 0;
}
