// The editors' text engine against the platform's measuring: a 1 MB paragraph laid out and
// drawn with word break, and one GetTextExtentExPoint pass over the same text (the target is
// within 3x of the pass).
#include <benchmark/benchmark.h>

#include "editors/cxDrawTextUtils.h"
#include "gdi/Gdi.h"

namespace {

struct Surface {
  HDC dc;
  HBITMAP bmp;
  HFONT font;
  String text;
  Surface() {
    dc = CreateCompatibleDC(nullptr);
    bmp = CreateBitmap(800, 600, 1, 32, nullptr);
    SelectObject(dc, bmp);
    font = CreateFont(-13, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
    SelectObject(dc, font);
    const char* words[] = {"lorem ", "ipsum ", "dolor ", "sit ", "amet, ", "consectetur ",
                           "adipiscing ", "elit. "};
    for (size_t i = 0; text.size() < (1u << 20); ++i) text += words[i % 8];
  }
  ~Surface() {
    DeleteDC(dc);
    DeleteObject(bmp);
    DeleteObject(font);
  }
};

void BM_ExtentPass(benchmark::State& state) {
  Surface s;
  for (auto _ : state) {
    int fit = 0;
    SIZE size{};
    GetTextExtentExPoint(s.dc, s.text.data(), int(s.text.size()), 1 << 30, &fit, nullptr, &size);
    benchmark::DoNotOptimize(size);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(s.text.size()));
}
BENCHMARK(BM_ExtentPass)->Unit(benchmark::kMillisecond);

void BM_TextOutRectWordBreak(benchmark::State& state) {
  Surface s;
  for (auto _ : state) {
    // Tall enough for every row: the whole paragraph is laid out and drawn (mostly clipped by
    // the surface).
    TRect r(0, 0, 780, 1 << 28);
    benchmark::DoNotOptimize(TextOutRect(s.dc, s.text, r, tofWordBreak));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(s.text.size()));
}
BENCHMARK(BM_TextOutRectWordBreak)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
