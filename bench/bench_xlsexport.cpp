// Excel workbook throughput: filling and writing a 100,000 x 10 sheet of numbers and short
// texts through the provider against plain code that writes the same values as BIFF cell
// records into a buffer and the file, in the same run (the target: within 3x). Finding a
// stored FONT or XF record against the number stored (found by hash: the cost must not grow
// with it).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "export/cxXLSExport.h"

namespace {

constexpr Integer kCols = 10;
constexpr Integer kRows = 100000;

// Even columns hold numbers, odd ones short texts.
const std::vector<String>& Texts() {
  static std::vector<String> texts = [] {
    std::vector<String> t;
    t.reserve(size_t(kCols / 2) * kRows);
    for (Integer r = 0; r < kRows; ++r)
      for (Integer c = 1; c < kCols; c += 2) t.push_back("Cell " + std::to_string(r) + "-" + std::to_string(c));
    return t;
  }();
  return texts;
}
const String& TextAt(Integer col, Integer row) { return Texts()[size_t(row) * (kCols / 2) + size_t(col / 2)]; }
double NumberAt(Integer col, Integer row) { return row * 0.5 + col; }

String OutputFile(const char* name) { return "/tmp/korvan_bench_" + String(name); }

void Put16(std::string& out, unsigned v) {
  out += char(v & 0xFF);
  out += char((v >> 8) & 0xFF);
}

void BM_PlainRecordsToFile(benchmark::State& state) {
  String file = OutputFile("plain.xls");
  std::string buffer;
  for (auto _ : state) {
    buffer.clear();
    for (Integer c = 0; c < kCols; ++c)
      for (Integer r = 0; r < kRows; ++r) {
        bool text = c % 2 == 1;
        const String& s = TextAt(c, r);
        Put16(buffer, text ? 0x0204 : 0x0203);
        Put16(buffer, text ? unsigned(9 + s.size()) : 14);
        Put16(buffer, unsigned(r));
        Put16(buffer, unsigned(c));
        Put16(buffer, 15);
        if (text) {
          Put16(buffer, unsigned(s.size()));
          buffer += '\0';
          buffer += s;
        } else {
          double v = NumberAt(c, r);
          char b[8];
          std::memcpy(b, &v, 8);
          buffer.append(b, 8);
        }
      }
    std::FILE* f = std::fopen(file.c_str(), "wb");
    std::fwrite(buffer.data(), 1, buffer.size(), f);
    std::fclose(f);
  }
  std::remove(file.c_str());
  state.SetItemsProcessed(int64_t(state.iterations()) * kCols * kRows);
}
BENCHMARK(BM_PlainRecordsToFile)->Unit(benchmark::kMillisecond);

void BM_XlsExportFillAndCommit(benchmark::State& state) {
  InitializeCxXLSExport();
  Texts();
  String file = OutputFile("export.xls");
  for (auto _ : state) {
    auto provider = std::dynamic_pointer_cast<IcxExportProvider>(TcxExport::Provider(cxExportToExcel, file));
    provider->SetRange(kCols, kRows, true);
    for (Integer c = 0; c < kCols; ++c) provider->SetColumnWidth(c, 80);
    for (Integer r = 0; r < kRows; ++r)
      for (Integer c = 0; c < kCols; ++c) {
        if (c % 2 == 1)
          provider->SetCellDataString(c, r, TextAt(c, r));
        else
          provider->SetCellDataDouble(c, r, NumberAt(c, r));
      }
    provider->Commit();
  }
  std::remove(file.c_str());
  state.SetItemsProcessed(int64_t(state.iterations()) * kCols * kRows);
}
BENCHMARK(BM_XlsExportFillAndCommit)->Unit(benchmark::kMillisecond);

// Adding a record equal to a stored one (as every cell's FONT and XF record is) with `count`
// records stored.
void BM_FindExistingRecord(benchmark::State& state) {
  const auto count = Integer(state.range(0));
  TcxXLSRecordsList list(0x00E0);
  std::vector<String> records;
  for (Integer i = 0; i < count; ++i) {
    String r(20, '\0');
    std::memcpy(r.data(), &i, sizeof(i));
    records.push_back(r);
    list.Add(r);
  }
  Integer i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(list.Add(records[size_t(i)]));
    if (++i == count) i = 0;
  }
}
BENCHMARK(BM_FindExistingRecord)->Arg(10)->Arg(1000)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
