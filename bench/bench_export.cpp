// Export throughput: filling and writing a 100,000 x 10 sheet of texts as HTML against a plain
// loop that writes the same markup through a buffered std::ofstream, in the same run (the
// target: within 3x). Registering a style and the empty-cell pass against the number of
// styles that exist (the cost per cell must not grow with it).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "export/cxHtmlXmlTxtExport.h"

namespace {

constexpr Integer kCols = 10;
constexpr Integer kRows = 100000;

const std::vector<String>& Texts() {
  static std::vector<String> texts = [] {
    std::vector<String> t;
    t.reserve(size_t(kCols) * kRows);
    for (Integer r = 0; r < kRows; ++r)
      for (Integer c = 0; c < kCols; ++c) t.push_back("Cell " + std::to_string(r) + "-" + std::to_string(c));
    return t;
  }();
  return texts;
}

String OutputFile(const char* name) { return "/tmp/korvan_bench_" + String(name); }

void BM_PlainOfstreamHtml(benchmark::State& state) {
  const auto& texts = Texts();
  String file = OutputFile("plain.html");
  for (auto _ : state) {
    std::ofstream out(file, std::ios::binary);
    out << "<HTML>\r\n<HEAD>\r\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">\r\n<TITLE>"
        << file << "</TITLE>\r\n<STYLE TYPE=\"text/css\"><!--\r\n--></STYLE>\r\n</HEAD>\r\n<BODY>\r\n";
    out << "<TABLE BORDER=0 CELLSPACING=0 WIDTH=" << kCols * 80 << ">\r\n<TR>\r\n";
    for (Integer c = 0; c < kCols; ++c) out << "<TD  WIDTH=" << 80 << " HEIGHT=0></TD>\r\n";
    out << "</TR>\r\n";
    for (Integer r = 0; r < kRows; ++r) {
      out << "<TR>\r\n";
      for (Integer c = 0; c < kCols; ++c)
        out << "<TD NOWRAP ALIGN=CENTER CLASS=Style-1 HEIGHT=" << 18 << "px>" << texts[size_t(r) * kCols + size_t(c)]
            << "</TD>\r\n";
      out << "</TR>\r\n";
    }
    out << "</TABLE>\r\n</BODY>\r\n</HTML>";
  }
  std::remove(file.c_str());
  state.SetItemsProcessed(int64_t(state.iterations()) * kCols * kRows);
}
BENCHMARK(BM_PlainOfstreamHtml)->Unit(benchmark::kMillisecond);

void BM_HtmlExportFillAndCommit(benchmark::State& state) {
  InitializeCxHtmlXmlTxtExport();
  const auto& texts = Texts();
  String file = OutputFile("export.html");
  for (auto _ : state) {
    auto provider = std::dynamic_pointer_cast<IcxExportProvider>(TcxExport::Provider(cxExportToHtml, file));
    provider->SetRange(kCols, kRows, true);
    for (Integer c = 0; c < kCols; ++c) provider->SetColumnWidth(c, 80);
    for (Integer r = 0; r < kRows; ++r) {
      provider->SetRowHeight(r, 18);
      for (Integer c = 0; c < kCols; ++c) provider->SetCellDataString(c, r, texts[size_t(r) * kCols + size_t(c)]);
    }
    provider->Commit();
  }
  std::remove(file.c_str());
  state.SetItemsProcessed(int64_t(state.iterations()) * kCols * kRows);
}
BENCHMARK(BM_HtmlExportFillAndCommit)->Unit(benchmark::kMillisecond);

// A style that no other one equals: the font size and colour carry the number.
TcxCacheCellStyle NumberedStyle(Integer n) {
  TcxCacheCellStyle s = DefaultCellStyle();
  s.FontSize = 8 + n % 100;
  s.FontColor = n;
  return s;
}

void BM_RegisterExistingStyle(benchmark::State& state) {
  InitializeCxHtmlXmlTxtExport();
  auto provider = std::dynamic_pointer_cast<IcxExportProvider>(TcxExport::Provider(cxExportToHtml, OutputFile("styles")));
  const auto count = Integer(state.range(0));
  for (Integer i = 0; i < count; ++i) provider->RegisterStyle(NumberedStyle(i));
  Integer i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(provider->RegisterStyle(NumberedStyle(i)));
    if (++i == count) i = 0;
  }
}
BENCHMARK(BM_RegisterExistingStyle)->Arg(10)->Arg(1000)->Arg(100000);

// Discards what is written.
class TNullStream : public TStream {
 public:
  Int64 Read(void*, Int64) override { return 0; }
  Int64 Write(const void*, Int64 count) override { return count; }
  Int64 Seek(Int64, TSeekOrigin) override { return 0; }
  using TStream::Seek;
};

// The empty-cell pass and the table of 100,000 empty cells in ten styles, with many other
// styles registered.
void BM_EmptyCellTable(benchmark::State& state) {
  InitializeCxHtmlXmlTxtExport();
  auto provider = std::dynamic_pointer_cast<IcxExportProvider>(TcxExport::Provider(cxExportToHtml, OutputFile("empty")));
  const auto count = Integer(state.range(0));
  for (Integer i = 0; i < count; ++i) provider->RegisterStyle(NumberedStyle(i));
  provider->SetRange(kCols, kRows / kCols, false);
  for (Integer r = 0; r < kRows / kCols; ++r)
    for (Integer c = 0; c < kCols; ++c) provider->SetCellStyle(c, r, (r * kCols + c) % 10 * (count / 10));
  auto cache = std::dynamic_pointer_cast<IcxCellInternalCache>(provider);
  TNullStream null;
  TcxBufferedStream out(&null);
  for (auto _ : state) {
    cache->CommitCache(&out, 0);
    out.Flush();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kRows);
}
BENCHMARK(BM_EmptyCellTable)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
