// Loading a data set of 1,000,000 records of 5 fields (integer, text, float, date, integer)
// into a data-set controller in full mode, against a baseline measured in the same run that
// walks the same data set (its controls disabled, as the load does) and copies the same values
// into plain vectors. Target: the load within 3x of the baseline.
//
// The same from a generated CSV file of 1,000,000 records (id, a text of 50 values, a text of
// 1,000 values, a float, a date, an integer) through the CSV query:
// - the peak memory of reading the file plus loading the controller, against the file size
//   (counter "x_file_size", target 3.5 or less); it runs first, before anything else holds
//   memory that could be reused;
// - loading the controller from the open query against the query's own reading of the file
//   (counter "x_baseline": the load's best time over the best opening time, target 1.5).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <unistd.h>
#include <vector>

#include "data/cxDBData.h"
#include "db/ADODB.h"
#include "db/MemDataSet.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRecords = 1000000;

// ---------------------------------------------------------------------------------------------
// The CSV file and the query

class CsvFile {
 public:
  CsvFile() {
    dir_ = fs::temp_directory_path() / ("korvan-bench-dbdata-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    std::ofstream out(dir_ / "orders.csv", std::ios::binary);
    out << "id,region,customer,amount,day,qty\r\n";
    std::mt19937 gen(3);
    std::uniform_int_distribution<int> a(0, 49), b(0, 999), cents(0, 9999999), day(1, 28), month(1, 12), qty(0, 500);
    std::string line;
    for (int id = 1; id <= kRecords; ++id) {
      line = std::to_string(id);
      line += ",region " + std::to_string(a(gen));
      line += ",customer " + std::to_string(b(gen));
      int c = cents(gen);
      line += "," + std::to_string(c / 100) + "." + std::to_string(10 + c % 90);
      line += ",2024-" + std::to_string(month(gen)) + "-" + std::to_string(day(gen));
      line += "," + std::to_string(qty(gen)) + "\r\n";
      out << line;
    }
  }
  ~CsvFile() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Folder() const { return dir_.string(); }
  std::uintmax_t Size() const { return fs::file_size(dir_ / "orders.csv"); }

 private:
  fs::path dir_;
};

CsvFile& File() {
  static CsvFile file;
  return file;
}

void SetUpQuery(TADOQuery& q) {
  q.SetCursorType(ctStatic);
  q.SetLockType(ltReadOnly);
  q.SetConnectionString("Extended Properties=\"DBQ=" + File().Folder() + "\"");
  q.SQL()->SetText("SELECT * FROM orders.csv");
}

// A data-set controller with one item per field name, bound to `src` (which loads it).
std::unique_ptr<TcxDBDataController> BoundController(TDataSource& src, std::initializer_list<const char*> names,
                                                     std::vector<std::unique_ptr<TObject>>& items) {
  auto c = std::make_unique<TcxDBDataController>(nullptr);
  for (const char* n : names) {
    items.push_back(std::make_unique<TObject>());
    c->AddItem(items.back().get());
    c->ChangeItemFieldName(c->GetItemCount() - 1, n);
  }
  c->SetDataSource(&src);
  return c;
}

struct QueryScene {
  TADOQuery q{nullptr};
  TDataSource src{nullptr};
  std::vector<std::unique_ptr<TObject>> items;
  std::unique_ptr<TcxDBDataController> c;
  QueryScene() {
    SetUpQuery(q);
    src.SetDataSet(&q);
    q.Open();
    c = BoundController(src, {"id", "region", "customer", "amount", "day", "qty"}, items);
  }
};

// Resident memory in bytes: the current amount ("VmRSS") or the peak ("VmHWM").
std::size_t ResidentBytes(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string word;
  while (in >> word)
    if (word == std::string(key) + ":") {
      std::size_t kb = 0;
      in >> kb;
      return kb * 1024;
    }
  return 0;
}

void BM_ReadPlusLoadPeakMemory(benchmark::State& state) {
  double size = double(File().Size());
  for (auto _ : state) {
    std::size_t before = ResidentBytes("VmRSS");
    { std::ofstream("/proc/self/clear_refs") << "5"; }  // resets the peak to the current amount
    std::size_t peak, readPeak;
    {
      TADOQuery q(nullptr);
      SetUpQuery(q);
      q.Open();
      readPeak = ResidentBytes("VmHWM");
    }
    { std::ofstream("/proc/self/clear_refs") << "5"; }
    {
      QueryScene s;
      if (s.c->GetRecordCount() != kRecords) state.SkipWithError("not every record was loaded");
      peak = ResidentBytes("VmHWM");
    }
    state.counters["x_file_size"] = double(peak - std::min(peak, before)) / size;
    state.counters["x_file_size_read_only"] = double(readPeak - std::min(readPeak, before)) / size;
    state.counters["file_MB"] = size / 1e6;
  }
}
BENCHMARK(BM_ReadPlusLoadPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

double QueryOpenSeconds() {
  TADOQuery q(nullptr);
  SetUpQuery(q);
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    q.Open();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    q.Close();
  }
  return best;
}

void BM_Baseline_CsvQueryOpen(benchmark::State& state) {
  TADOQuery q(nullptr);
  SetUpQuery(q);
  for (auto _ : state) {
    q.Open();
    state.PauseTiming();
    q.Close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Baseline_CsvQueryOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadFromCsvQuery(benchmark::State& state) {
  double baseline = QueryOpenSeconds();
  QueryScene s;
  double best = 1e9;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    s.c->UpdateItems(true);
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    if (s.c->GetRecordCount() != kRecords) state.SkipWithError("not every record was loaded");
  }
  state.counters["x_baseline"] = best / baseline;
}
BENCHMARK(BM_LoadFromCsvQuery)->Unit(benchmark::kMillisecond)->Iterations(3);

// ---------------------------------------------------------------------------------------------
// The in-memory data set

struct Scene {
  TMemDataSet ds{nullptr};
  TDataSource src{nullptr};
  std::vector<std::unique_ptr<TObject>> items;
  std::unique_ptr<TcxDBDataController> c;
  Scene() {
    ds.AddFieldDef("id", ftInteger);
    ds.AddFieldDef("name", ftString, 20);
    ds.AddFieldDef("price", ftFloat);
    ds.AddFieldDef("day", ftDateTime);
    ds.AddFieldDef("qty", ftInteger);
    for (int i = 0; i < kRecords; ++i)
      ds.AppendRow({i, "name" + std::to_string(i % 1000), i * 0.25, Variant(TDateTime(40000 + i % 3650)), i % 97});
    src.SetDataSet(&ds);
    ds.Open();
    c = BoundController(src, {"id", "name", "price", "day", "qty"}, items);
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
