// Graphics throughput on a 1920 x 1080 buffer: solid fills and copies against memset and
// memcpy of the same bytes in the same run, pattern fills, and text drawing.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "gdi/Gdi.h"

namespace {
constexpr int kW = 1920, kH = 1080;
constexpr size_t kBytes = size_t(kW) * kH * 4;

struct Buffer {
  HDC dc;
  HBITMAP bmp;
  Buffer() {
    dc = CreateCompatibleDC(nullptr);
    bmp = CreateBitmap(kW, kH, 1, 32, nullptr);
    SelectObject(dc, bmp);
  }
  ~Buffer() {
    DeleteDC(dc);
    DeleteObject(bmp);
  }
};

void BM_Memset(benchmark::State& state) {
  std::vector<uint32_t> buf(size_t(kW) * kH);
  for (auto _ : state) {
    std::memset(buf.data(), 0x7F, kBytes);
    benchmark::DoNotOptimize(buf.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}
BENCHMARK(BM_Memset);

void BM_FillRectSolid(benchmark::State& state) {
  Buffer b;
  HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
  RECT all(0, 0, kW, kH);
  for (auto _ : state) {
    FillRect(b.dc, &all, brush);
    benchmark::ClobberMemory();
  }
  DeleteObject(brush);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}
BENCHMARK(BM_FillRectSolid);

void BM_Memcpy(benchmark::State& state) {
  std::vector<uint32_t> a(size_t(kW) * kH, 1), b(size_t(kW) * kH);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), kBytes);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}
BENCHMARK(BM_Memcpy);

void BM_BitBltCopy(benchmark::State& state) {
  Buffer src, dst;
  for (auto _ : state) {
    BitBlt(dst.dc, 0, 0, kW, kH, src.dc, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}
BENCHMARK(BM_BitBltCopy);

void BM_PatBltPatternInvert(benchmark::State& state) {
  Buffer b;
  HBRUSH brush = CreateHatchBrush(HS_DIAGCROSS, RGB(200, 0, 0));
  SelectObject(b.dc, brush);
  for (auto _ : state) {
    PatBlt(b.dc, 0, 0, kW, kH, PATINVERT);
    benchmark::ClobberMemory();
  }
  SelectObject(b.dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(brush);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}
BENCHMARK(BM_PatBltPatternInvert);

void BM_DrawTextLines(benchmark::State& state) {
  Buffer b;
  HFONT font = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
  SelectObject(b.dc, font);
  SetBkMode(b.dc, TRANSPARENT);
  const char* line = "Grouping grid row 1234: Customer name, City, 2026-12-10, 1,234.56";
  int glyphs = 0;
  for (auto _ : state) {
    for (int y = 0; y < kH; y += 16) {
      RECT r(0, y, kW, y + 16);
      DrawText(b.dc, line, -1, &r, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
      glyphs += int(std::strlen(line));
    }
  }
  SelectObject(b.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
  state.SetItemsProcessed(glyphs);
}
BENCHMARK(BM_DrawTextLines);

void BM_ExtTextOutJapanese(benchmark::State& state) {
  Buffer b;
  HFONT font = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                          "\xef\xbc\xad\xef\xbc\xb3 \xef\xbc\xb0\xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf");
  SelectObject(b.dc, font);
  const char* text = "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe3\x83\x86\xe3\x82\xad\xe3\x82\xb9\xe3\x83\x88 CSV";
  for (auto _ : state)
    for (int y = 0; y < kH; y += 16) ExtTextOut(b.dc, 10, y, ETO_OPAQUE, nullptr, text, UINT(std::strlen(text)), nullptr);
  SelectObject(b.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
}
BENCHMARK(BM_ExtTextOutJapanese);
}  // namespace

BENCHMARK_MAIN();
