// The pivot view: laying out and painting a 1,000 x 700 window scrolled to the middle of a
// table of 10^4 cells and of one of 10^6 cells (target: within 1.5x of each other, the cost
// follows the visible cells), scrolling by a page likewise, and the best fit of a grid with
// three column fields against one measuring pass over the data cells (target: within 1.5x);
// filling the field filter drop-down of a field with 100,000 distinct values over 1,000,000
// records (its unique values cached) against sorting those values (target: within 5x).
#include <benchmark/benchmark.h>

#include <algorithm>

#include <memory>

#include "BenchHeadless.h"
#include "pivotgrid/cxCustomPivotGrid.h"
#include "pivotgrid/cxPivotGridFilterPopup.h"

namespace {

struct TView {
  TComponent owner{nullptr};
  TcxCustomPivotGrid* grid;
  std::unique_ptr<TBitmap> bitmap;
  std::unique_ptr<TcxCanvas> canvas;

  // side x side cells, one record each; `levels` column fields split the column values.
  TView(int side, int levels = 1) : grid(new TcxCustomPivotGrid(&owner)) {
    grid->BeginUpdate();
    TcxPivotGridField* row = grid->CreateField();
    row->DataBinding()->SetValueType("Integer");
    std::vector<TcxPivotGridField*> columns;
    for (int l = 0; l < levels; ++l) {
      columns.push_back(grid->CreateField());
      columns.back()->DataBinding()->SetValueType("Integer");
    }
    TcxPivotGridField* amount = grid->CreateField();
    amount->DataBinding()->SetValueType("Float");
    TcxCustomDataController* dc = grid->DataController();
    dc->SetRecordCount(side * side);
    for (int r = 0; r < side; ++r)
      for (int c = 0; c < side; ++c) {
        int record = r * side + c;
        dc->SetValue(record, 0, r);
        int rest = c;
        for (int l = levels - 1; l >= 0; --l) {
          int base = l == 0 ? side : 10;
          dc->SetValue(record, 1 + l, rest % base);
          rest /= base;
        }
        dc->SetValue(record, 1 + levels, double(record % 997) / 7);
      }
    row->SetArea(faRow);
    row->SetVisible(true);
    for (auto* f : columns) {
      f->SetArea(faColumn);
      f->SetVisible(true);
    }
    amount->SetArea(faData);
    amount->SetVisible(true);
    grid->SetBounds(0, 0, 1000, 700);
    grid->EndUpdate();
    grid->ViewData()->SetTopRow(grid->ViewData()->RowCount() / 2);
    grid->ViewData()->SetLeftColumn(grid->ViewData()->ColumnCount() / 2);
    bitmap.reset(CreateSizedBitmap(1000, 700));
    canvas = std::make_unique<TcxCanvas>(bitmap->Canvas());
  }
  void LayoutAndPaint() {
    grid->ViewChanged();
    grid->Painter()->Paint(canvas.get());
  }
};

THeadlessBackend& Backend() { return benchheadless::StartHeadless(); }

TView& View(int side) {
  Backend();
  static TView small(100), large(1000);
  return side == 100 ? small : large;
}

void BM_LayoutAndPaint(benchmark::State& state) {
  TView& v = View(int(state.range(0)));
  for (auto _ : state) v.LayoutAndPaint();
  state.counters["cells"] = v.grid->ViewInfo()->DataCells.Count();
}
BENCHMARK(BM_LayoutAndPaint)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ScrollByPage(benchmark::State& state) {
  TView& v = View(int(state.range(0)));
  bool down = true;
  for (auto _ : state) {
    int pos = 0;
    v.grid->ViewData()->ScrollRows(down ? scPageDown : scPageUp, pos);
    v.grid->Painter()->Paint(v.canvas.get());
    down = !down;
  }
}
BENCHMARK(BM_ScrollByPage)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

TView& BestFitView() {
  Backend();
  static TView view(100, 3);
  return view;
}

// Best fit of every field (three column fields among them).
void BM_BestFitThreeColumnFields(benchmark::State& state) {
  TView& v = BestFitView();
  for (auto _ : state) v.grid->ApplyBestFit();
}
BENCHMARK(BM_BestFitThreeColumnFields)->Unit(benchmark::kMillisecond);

// The baseline: one pass measuring every data cell.
void BM_MeasureDataCellsOnce(benchmark::State& state) {
  TView& v = BestFitView();
  for (auto _ : state) {
    std::unordered_map<TcxPivotGridField*, int> widths;
    v.grid->ViewData()->GetDataCellsBestWidths(widths);
    benchmark::DoNotOptimize(widths);
  }
}
BENCHMARK(BM_MeasureDataCellsOnce)->Unit(benchmark::kMillisecond);

// A field of 1,000,000 records with 100,000 distinct values, in the row area.
struct TFilterView {
  TComponent owner{nullptr};
  TcxCustomPivotGrid* grid;
  TcxPivotGridField* field;
  TcxPivotGridFilterPopup* popup;
  std::vector<Variant> distinct;
  TFilterView() : grid(new TcxCustomPivotGrid(&owner)) {
    grid->BeginUpdate();
    field = grid->CreateField();
    field->DataBinding()->SetValueType("Integer");
    TcxCustomDataController* dc = grid->DataController();
    dc->SetRecordCount(1000000);
    for (int r = 0; r < 1000000; ++r) dc->SetValue(r, 0, int((r * 7919LL) % 100000));
    field->SetArea(faRow);
    field->SetVisible(true);
    grid->EndUpdate();
    TcxPivotGridVariantList* unique = field->GetUniqueValues();
    for (int i = 0; i < unique->Count(); ++i) distinct.push_back(unique->Values(i));
    std::reverse(distinct.begin(), distinct.end());
    popup = grid->Controller()->GetFilterPopup();
    popup->SetField(field);
  }
};

TFilterView& FilterView() {
  Backend();
  static TFilterView view;
  return view;
}

void BM_FilterDropDownFill(benchmark::State& state) {
  TFilterView& v = FilterView();
  for (auto _ : state) v.popup->FillValues();
  state.counters["items"] = v.popup->CheckList->CheckItems()->Count();
}
BENCHMARK(BM_FilterDropDownFill)->Unit(benchmark::kMillisecond);

// The baseline: sorting the distinct values (from the reverse order).
void BM_SortDistinctValues(benchmark::State& state) {
  TFilterView& v = FilterView();
  for (auto _ : state) {
    std::vector<Variant> values = v.distinct;
    std::sort(values.begin(), values.end(), [](const Variant& a, const Variant& b) { return CompareVariantValues(a, b) < 0; });
    benchmark::DoNotOptimize(values);
  }
}
BENCHMARK(BM_SortDistinctValues)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
