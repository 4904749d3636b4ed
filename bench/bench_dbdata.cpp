// Loading a data set of 1,000,000 records of 5 fields (integer, text, float, date, integer)
// into a data-set controller in full mode, against a baseline measured in the same run that
// walks the same data set (its controls disabled, as the load does) and copies the same values
// into plain vectors. Target: the load within 3x of the baseline.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "data/cxDBData.h"
#include "db/MemDataSet.h"

namespace {

constexpr int kRecords = 1000000;

struct Scene {
  TMemDataSet ds{nullptr};
  TDataSource src{nullptr};
  std::unique_ptr<TcxDBDataController> c;
  std::vector<std::unique_ptr<TObject>> items;
  Scene() {
    const char* names[] = {"id", "name", "price", "day", "qty"};
    ds.AddFieldDef("id", ftInteger);
    ds.AddFieldDef("name", ftString, 20);
    ds.AddFieldDef("price", ftFloat);
    ds.AddFieldDef("day", ftDateTime);
    ds.AddFieldDef("qty", ftInteger);
    for (int i = 0; i < kRecords; ++i)
      ds.AppendRow({i, "name" + std::to_string(i % 1000), i * 0.25, Variant(TDateTime(40000 + i % 3650)), i % 97});
    src.SetDataSet(&ds);
    ds.Open();
    c = std::make_unique<TcxDBDataController>(nullptr);
    for (const char* n : names) {
      items.push_back(std::make_unique<TObject>());
      c->AddItem(items.back().get());
      c->ChangeItemFieldName(c->GetItemCount() - 1, n);
    }
    c->SetDataSource(&src);
  }
};

Scene& Shared() {
  static Scene s;
  return s;
}

void BM_Baseline_WalkIntoVectors(benchmark::State& state) {
  Scene& s = Shared();
  TDataSet& ds = s.ds;
  std::vector<TField*> fields;
  for (Integer i = 0; i < ds.FieldCount(); ++i) fields.push_back(ds.Fields()->Fields(i));
  for (auto _ : state) {
    std::vector<std::vector<Variant>> columns(fields.size());
    for (auto& col : columns) col.reserve(kRecords);
    ds.DisableControls();
    ds.First();
    while (!ds.Eof()) {
      for (std::size_t f = 0; f < fields.size(); ++f) columns[f].push_back(fields[f]->Value());
      ds.Next();
    }
    ds.EnableControls();
    benchmark::DoNotOptimize(columns.data());
  }
}
BENCHMARK(BM_Baseline_WalkIntoVectors)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadFullMode(benchmark::State& state) {
  Scene& s = Shared();
  for (auto _ : state) {
    s.c->UpdateItems(true);
    if (s.c->GetRecordCount() != kRecords) state.SkipWithError("not every record was loaded");
  }
}
BENCHMARK(BM_LoadFullMode)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
