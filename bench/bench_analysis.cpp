// The analysis steps a user takes on an imported file, over a data-set controller and a pivot
// grid loaded from a CSV file of 1,000,000 records through the CSV query (id, region of 50
// texts, customer of 1,000 texts, a quarter of them "Gold ...", channel of 3 texts, a float
// amount, an integer quantity). Each step is timed in CPU time against an in-process reference
// in the same run; the counter "x_baseline" is the step's median over the reference's median,
// and "min_ms", "median_ms", "max_ms" are the step's own CPU times:
// - a range filter (amount BETWEEN 1000 AND 2000) against a plain loop that reads the stored
//   amounts in place and collects the matching records (target: within 7x; the loop is bare,
//   the filter change also rebuilds the record list, the positions and the focus);
// - a LIKE filter (customer LIKE '%Gold%') against the same loop over the stored texts with
//   std::string_view::find (target: within 2x);
// - the first grouping after a load, by region and customer with a group sum of the amount and
//   every group expanded, against a hash group-by of the stored texts summing the amount
//   (target: within 3x);
// - the pivot grid's first full calculation (rows region and customer, columns channel, data
//   Sum, Average and Count of the amount, every cell and total) against a hash group-by that
//   computes the same cells and totals (target: within 3x).
//
// The peer comparison (bench/peers/run.sh) runs this program on its own data file:
// KORVAN_ANALYSIS_CSV names the file, KORVAN_ANALYSIS_TOTALS a file for the pivot's totals by
// region and channel. Without them the program writes its own file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string_view>
#include <unistd.h>
#include <unordered_map>
#include <vector>

#include "data/cxDBData.h"
#include "db/ADODB.h"
#include "pivotgrid/cxDBPivotGrid.h"
#include "rtl/SysUtils.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRecords = 1000000;
constexpr int kRuns = 5;

// ---------------------------------------------------------------------------------------------
// The data file

class CsvFile {
 public:
  CsvFile() {
    if (const char* given = std::getenv("KORVAN_ANALYSIS_CSV")) {
      path_ = given;
      return;
    }
    dir_ = fs::temp_directory_path() / ("korvan-bench-analysis-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    path_ = dir_ / "sales.csv";
    std::ofstream out(path_, std::ios::binary);
    out << "id,region,customer,channel,amount,qty\r\n";
    std::mt19937 gen(5);
    std::uniform_int_distribution<int> region(0, 49), customer(0, 999), channel(0, 2), cents(0, 9999999), qty(0, 500);
    static const char* tiers[] = {"Gold", "Silver", "Bronze", "Basic"};
    static const char* channels[] = {"web", "store", "phone"};
    for (int id = 1; id <= kRecords; ++id) {
      int c = customer(gen), a = cents(gen);
      out << id << ",region " << region(gen) << "," << tiers[c % 4] << " customer " << c << ","
          << channels[channel(gen)] << "," << a / 100 << "." << a % 100 / 10 << a % 10 << "," << qty(gen) << "\r\n";
    }
  }
  ~CsvFile() {
    std::error_code ec;
    if (!dir_.empty()) fs::remove_all(dir_, ec);
  }
  std::string Folder() const { return path_.parent_path().string(); }
  std::string Table() const { return path_.filename().string(); }

 private:
  fs::path dir_, path_;
};

CsvFile& File() {
  static CsvFile file;
  return file;
}

// ---------------------------------------------------------------------------------------------
// Timing

double CpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct Times {
  std::vector<double> runs;
  void Add(double t) { runs.push_back(t); }
  double Median() const {
    std::vector<double> s = runs;
    std::sort(s.begin(), s.end());
    return s.empty() ? 0 : s[s.size() / 2];
  }
  double Min() const { return runs.empty() ? 0 : *std::min_element(runs.begin(), runs.end()); }
  double Max() const { return runs.empty() ? 0 : *std::max_element(runs.begin(), runs.end()); }
};

// Runs `prepare` (untimed) and `step` (timed) kRuns times.
Times TimeRuns(const std::function<void()>& prepare, const std::function<void()>& step) {
  Times t;
  for (int i = 0; i < kRuns; ++i) {
    prepare();
    double t0 = CpuSeconds();
    step();
    t.Add(CpuSeconds() - t0);
  }
  return t;
}

void Report(benchmark::State& state, const Times& step, const Times& reference) {
  state.counters["min_ms"] = step.Min() * 1e3;
  state.counters["median_ms"] = step.Median() * 1e3;
  state.counters["max_ms"] = step.Max() * 1e3;
  state.counters["reference_ms"] = reference.Median() * 1e3;
  state.counters["x_baseline"] = step.Median() / reference.Median();
}

// ---------------------------------------------------------------------------------------------
// The data-set controller

void SetUpQuery(TADOQuery& q) {
  q.SetCursorType(ctStatic);
  q.SetLockType(ltReadOnly);
  q.SetConnectionString("Extended Properties=\"DBQ=" + File().Folder() + "\"");
  q.SQL()->SetText("SELECT * FROM " + File().Table());
}

struct Scene {
  TADOQuery q{nullptr};
  TDataSource src{nullptr};
  TObject items[6];
  std::unique_ptr<TcxDBDataController> controller;
  TcxDBDataController& c;
  enum { Id, Region, Customer, Channel, Amount, Qty };
  Scene() : controller(std::make_unique<TcxDBDataController>(nullptr)), c(*controller) {
    SetUpQuery(q);
    src.SetDataSet(&q);
    q.Open();
    Bind(c);
    c.Filter()->SetActive(true);
  }
  // Gives `d` one item per field and loads it from the query.
  void Bind(TcxDBDataController& d) {
    const char* names[] = {"id", "region", "customer", "channel", "amount", "qty"};
    for (int i = 0; i < 6; ++i) {
      d.AddItem(&items[i]);
      d.ChangeItemFieldName(i, names[i]);
    }
    d.SetDataSource(&src);
  }
  TcxValueDef* Def(int item) { return c.Fields()->Items(item)->ValueDef(); }
};

Scene& Shared() {
  static Scene s;
  return s;
}

// The stored texts of a pooled column in place.
std::string_view StoredText(TcxValueDef* def, const Byte* b) {
  if (def->IsNullIn(b)) return {};
  const String* text = *reinterpret_cast<String* const*>(def->DataArea(b));
  return *text;
}

double StoredFloat(TcxValueDef* def, const Byte* b) {
  double d;
  std::memcpy(&d, def->DataArea(b), sizeof d);
  return d;
}

// The plain loop: the records whose stored value passes `test`.
template <class Test>
std::size_t PlainFilter(Scene& s, Test test) {
  std::vector<int> kept;
  TcxDataStorage* storage = s.c.Storage();
  for (int r = 0, n = storage->RecordsCount(); r < n; ++r)
    if (test(storage->BufferOf(r))) kept.push_back(r);
  return kept.size();
}

void FilterStep(benchmark::State& state, int item, TcxFilterOperatorKind kind, const Variant& value,
                const String& text, const std::function<std::size_t(Scene&)>& plain) {
  Scene& s = Shared();
  TcxDataFilterCriteria* filter = s.c.Filter();
  std::size_t expected = 0;
  Times reference = TimeRuns([] {}, [&] { expected = plain(s); });
  for (auto _ : state) {
    Times step = TimeRuns([&] { filter->RemoveAllItems(); },
                          [&] { filter->AddItem(nullptr, &s.items[item], kind, value, text); });
    if (std::size_t(s.c.FilteredRecordCount()) != expected)
      state.SkipWithError(("the filter kept " + std::to_string(s.c.FilteredRecordCount()) + " records, not " +
                           std::to_string(expected)).c_str());
    Report(state, step, reference);
  }
  filter->RemoveAllItems();
}

void BM_RangeFilter(benchmark::State& state) {
  Scene& s = Shared();
  TcxValueDef* amount = s.Def(Scene::Amount);
  FilterStep(state, Scene::Amount, foBetween, VarArrayOf({1000, 2000}), "1000;2000", [amount](Scene& s) {
    return PlainFilter(s, [amount](const Byte* b) {
      if (amount->IsNullIn(b)) return false;
      double d = StoredFloat(amount, b);
      return d >= 1000 && d <= 2000;
    });
  });
}
BENCHMARK(BM_RangeFilter)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LikeFilter(benchmark::State& state) {
  Scene& s = Shared();
  TcxValueDef* customer = s.Def(Scene::Customer);
  FilterStep(state, Scene::Customer, foLike, "%Gold%", "%Gold%", [customer](Scene& s) {
    return PlainFilter(s, [customer](const Byte* b) { return StoredText(customer, b).find("Gold") != std::string_view::npos; });
  });
}
BENCHMARK(BM_LikeFilter)->Iterations(1)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------------------------
// Grouping

struct TextPairHash {
  std::size_t operator()(const std::pair<std::string_view, std::string_view>& k) const {
    std::hash<std::string_view> h;
    return h(k.first) * 1000003u ^ h(k.second);
  }
};

struct Columns {
  std::vector<std::string_view> region, customer, channel;
  std::vector<double> amount;
  explicit Columns(Scene& s) {
    TcxDataStorage* storage = s.c.Storage();
    TcxValueDef *r = s.Def(Scene::Region), *c = s.Def(Scene::Customer), *ch = s.Def(Scene::Channel),
                *a = s.Def(Scene::Amount);
    for (int i = 0, n = storage->RecordsCount(); i < n; ++i) {
      const Byte* b = storage->BufferOf(i);
      region.push_back(StoredText(r, b));
      customer.push_back(StoredText(c, b));
      channel.push_back(StoredText(ch, b));
      amount.push_back(StoredFloat(a, b));
    }
  }
};

void BM_FirstGroupingAfterLoad(benchmark::State& state) {
  Scene& s = Shared();
  Columns cols(s);
  std::size_t groups = 0;
  Times reference = TimeRuns([] {}, [&] {
    std::unordered_map<std::pair<std::string_view, std::string_view>, double, TextPairHash> map;
    for (std::size_t r = 0; r < cols.amount.size(); ++r) map[{cols.region[r], cols.customer[r]}] += cols.amount[r];
    groups = map.size();
  });
  for (auto _ : state) {
    // Each run loads a new controller (untimed) and groups it once.
    std::unique_ptr<TcxDBDataController> d;
    Times step = TimeRuns(
        [&] {
          d.reset();
          d = std::make_unique<TcxDBDataController>(nullptr);
          s.Bind(*d);
          d->Summary()->DefaultGroupSummaryItems()->AddLinked(&s.items[Scene::Amount], spGroup, "", skSum);
        },
        [&] {
          d->BeginUpdate();
          d->Groups()->ChangeItemGroupIndex(Scene::Region, 0);
          d->Groups()->ChangeItemGroupIndex(Scene::Customer, 1);
          d->EndUpdate();
          d->Groups()->FullExpand();
        });
    if (d->Summary()->GroupSummaryValue(0, 0, 0).IsNull()) state.SkipWithError("no group sum");
    if (std::size_t(d->RowCount()) < groups) state.SkipWithError("groups missing");
    Report(state, step, reference);
  }
}
BENCHMARK(BM_FirstGroupingAfterLoad)->Iterations(1)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------------------------
// The pivot grid

struct Cell {
  double sum = 0;
  long long count = 0;
};

// The reference: every cell and total of the pivot through hash maps.
std::size_t HashPivot(const Columns& c) {
  std::unordered_map<std::pair<std::string_view, std::string_view>, Cell[4], TextPairHash> rows;
  std::map<std::string_view, int> channels;
  for (auto ch : c.channel) channels.emplace(ch, 0);
  int n = 0;
  for (auto& [k, v] : channels) v = n++;
  std::unordered_map<std::string_view, Cell[4]> regions;
  Cell grand[4];
  for (std::size_t r = 0; r < c.amount.size(); ++r) {
    int ch = channels[c.channel[r]];
    double x = c.amount[r];
    for (Cell* cells : {rows[{c.region[r], c.customer[r]}], regions[c.region[r]], grand})
      for (int i : {ch, 3}) {
        cells[i].sum += x;
        ++cells[i].count;
      }
  }
  return rows.size() + regions.size();
}

struct PivotScene {
  TComponent owner{nullptr};
  TcxDBPivotGrid* grid;
  std::vector<TcxDBPivotGridField*> data;
  explicit PivotScene(TDataSource& src) : grid(new TcxDBPivotGrid(&owner)) {
    grid->BeginUpdate();
    auto add = [&](const char* name, TcxPivotGridFieldArea area) {
      auto* f = static_cast<TcxDBPivotGridField*>(grid->CreateField());
      f->DataBinding()->SetFieldName(name);
      f->SetArea(area);
      f->SetVisible(true);
      return f;
    };
    add("region", faRow);
    add("customer", faRow);
    add("channel", faColumn);
    for (TcxPivotGridSummaryType t : {stSum, stAverage, stCount}) {
      data.push_back(add("amount", faData));
      data.back()->SetSummaryType(t);
    }
    grid->SetDataSource(&src);
  }
  void Calculate() { grid->EndUpdate(); }
  // Reads every cell of the view, totals included; answers the sum of the Sum cells.
  double Cells() {
    TcxPivotGridViewData* vd = grid->ViewData();
    double sum = 0;
    for (int r = 0; r < vd->RowCount(); ++r) {
      TcxPivotGridField* df = nullptr;
      TcxPivotGridGroupItem* row = vd->RowItem(r)->GetOwningGroupItem(df);
      for (int c = 0; c < vd->ColumnCount(); ++c) {
        TcxPivotGridGroupItem* column = vd->ColumnItem(c)->GetOwningGroupItem(df);
        TcxPivotGridCrossCell* cell = row->GetCrossCell(column);
        for (auto* f : data) {
          Variant v;
          cell->GetSummaryValue(f, f->SummaryType(), v);
          if (f->SummaryType() == stSum && !v.IsNull()) sum += v.AsDouble();
        }
      }
    }
    return sum;
  }
  // The totals by region and channel ("" for all), one line each: region, channel, sum,
  // average, count.
  void WriteTotals(const char* path) {
    std::ofstream out(path);
    out.precision(17);
    TcxPivotGridGroupItem* rowRoot = grid->DataBuilder()->RowRoot();
    TcxPivotGridGroupItem* columnRoot = grid->DataBuilder()->ColumnRoot();
    auto line = [&](TcxPivotGridGroupItem* row, TcxPivotGridGroupItem* column) {
      TcxPivotGridCrossCell* cell = row->GetCrossCell(column);
      out << (row == rowRoot ? String() : VarToStr(row->Value())) << ","
          << (column == columnRoot ? String() : VarToStr(column->Value()));
      for (auto* f : data) {
        Variant v;
        cell->GetSummaryValue(f, f->SummaryType(), v);
        out << "," << v.AsDouble();
      }
      out << "\n";
    };
    std::vector<TcxPivotGridGroupItem*> rows{rowRoot}, columns{columnRoot};
    for (int i = 0; i < rowRoot->ItemCount(); ++i) rows.push_back(rowRoot->Items(i));
    for (int i = 0; i < columnRoot->ItemCount(); ++i) columns.push_back(columnRoot->Items(i));
    for (auto* r : rows)
      for (auto* c : columns) line(r, c);
  }
};

void BM_PivotFirstFullCalculation(benchmark::State& state) {
  Scene& s = Shared();
  Columns cols(s);
  Times reference = TimeRuns([] {}, [&] { benchmark::DoNotOptimize(HashPivot(cols)); });
  for (auto _ : state) {
    std::unique_ptr<PivotScene> p;
    double total = 0;
    Times step = TimeRuns([&] { p.reset(); p = std::make_unique<PivotScene>(s.src); },
                          [&] {
                            p->Calculate();
                            total = p->Cells();
                          });
    if (total == 0) state.SkipWithError("no sums");
    if (const char* path = std::getenv("KORVAN_ANALYSIS_TOTALS")) p->WriteTotals(path);
    Report(state, step, reference);
  }
}
BENCHMARK(BM_PivotFirstFullCalculation)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  InitializeCxDBPivotGrid();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  FinalizeUnits();
  return 0;
}
