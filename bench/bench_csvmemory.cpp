// Peak memory of a full read of the CSV query, against the size of the file. The counter
// "peak_x_file" is the most heap the open held at once (counted by this program's own
// operator new) divided by the file's size (target: 4 or less), for a wide file of 255 mostly
// empty columns, 255 empty columns, one-letter values, the usual mixed shape, one-digit
// integers and the usual shape in Shift-JIS.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <unistd.h>

#include "db/ADODB.h"

namespace {
std::atomic<std::size_t> g_current{0}, g_peak{0};
}  // namespace

// Every allocation goes through malloc here, so free is its match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  std::size_t now = g_current += malloc_usable_size(p);
  std::size_t peak = g_peak.load();
  while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
  }
  return p;
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept {
  if (!p) return;
  g_current -= malloc_usable_size(p);
  std::free(p);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace fs = std::filesystem;

namespace {

enum Shape { kWideMostlyEmpty, kWideEmpty, kOneLetter, kUsual, kDigits, kShiftJis };

// About 20 MB of the shape.
std::string MakeFile(Shape shape) {
  fs::path dir = fs::temp_directory_path() / ("korvan-bench-csvmem-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::string name = "shape" + std::to_string(int(shape)) + ".csv";
  std::ofstream out(dir / name, std::ios::binary);
  const int cols = shape == kUsual ? 6 : shape == kOneLetter || shape == kDigits ? 20 : 255;
  std::string line;
  for (int c = 0; c < cols; ++c) line += (c ? ",c" : "c") + std::to_string(c);
  out << line << "\r\n";
  uint64_t seed = 42;
  auto next = [&] {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    return uint32_t(seed >> 33);
  };
  std::size_t bytes = 0;
  for (int id = 1; bytes < 20u * 1024 * 1024; ++id) {
    line.clear();
    for (int c = 0; c < cols; ++c) {
      if (c) line += ',';
      uint32_t r = next();
      switch (shape) {
        case kWideMostlyEmpty:
          if (r % 10 == 0) line += char('a' + r % 26);
          break;
        case kWideEmpty: break;
        case kOneLetter: line += char('a' + r % 26); break;
        case kDigits: line += char('0' + r % 10); break;
        case kUsual:
        case kShiftJis:
          switch (c) {
            case 0: line += std::to_string(id); break;
            case 1:
              // Shift-JIS: the family name "山田" (yamada) in front.
              line += (shape == kShiftJis ? "\x8E\x52\x93\x63 " : "Customer ") + std::to_string(r % 100000);
              break;
            case 2: line += std::to_string(r % 100000) + "." + std::to_string(10 + r % 90); break;
            case 3: line += "2024-" + std::to_string(1 + r % 12) + "-" + std::to_string(1 + r % 28); break;
            case 4: line += r % 2 ? "Food" : "Books"; break;
            default: line += r % 5 == 0 ? "\"said \"\"fine\"\"\"" : "delivered on time"; break;
          }
          break;
      }
    }
    line += "\r\n";
    out << line;
    bytes += line.size();
  }
  return dir.string() + "/" + name;
}

void BM_CsvPeakMemory(benchmark::State& state) {
  Shape shape = Shape(state.range(0));
  std::string path = MakeFile(shape);
  std::size_t size = std::size_t(fs::file_size(path));
  std::size_t folder_end = path.find_last_of('/');
  double ratio = 0;
  for (auto _ : state) {
    auto q = std::make_unique<TADOQuery>(nullptr);
    q->SetConnectionString("DBQ=" + path.substr(0, folder_end));
    q->SQL()->SetText("SELECT * FROM " + path.substr(folder_end + 1));
    std::size_t base = g_current.load();
    g_peak = base;
    q->Open();
    ratio = double(g_peak.load() - base) / double(size);
    benchmark::DoNotOptimize(q->RecordCount());
    q->Close();
  }
  state.counters["peak_x_file"] = ratio;
  state.counters["file_MB"] = double(size) / (1024.0 * 1024.0);
  fs::remove_all(fs::path(path).parent_path());
}
BENCHMARK(BM_CsvPeakMemory)
    ->ArgName("shape")
    ->Arg(kWideMostlyEmpty)
    ->Arg(kWideEmpty)
    ->Arg(kOneLetter)
    ->Arg(kUsual)
    ->Arg(kDigits)
    ->Arg(kShiftJis)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
