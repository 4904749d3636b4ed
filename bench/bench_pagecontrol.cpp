// Tab layout throughput against measuring the same captions, in one run:
//   - 1,000 tabs laid out in one scrolling line (target: within 3x of measuring them);
//   - 1,000 tabs laid out in balanced rows (target: within 20x of measuring them);
//   - visible-index lookups over 1,000 visible tabs (binary searches).
// Every layout measures each caption once, so measuring alone is the floor.
#include <benchmark/benchmark.h>

#include "pagecontrol/cxPC.h"
#include "rtl/SysUtils.h"

namespace {

constexpr int kTabs = 1000;

String Caption(int i) { return "Tab " + IntToStr(i) + String(size_t(i % 7), 'x'); }

TcxTabControl* MakeControl(bool multiLine) {
  InitializeCxPC();
  auto* c = new TcxTabControl(nullptr);
  c->SetStyle(6);
  c->SetBounds(0, 0, 1200, 800);
  c->Tabs()->BeginUpdate();
  for (int i = 0; i < kTabs; ++i) c->Tabs()->Add(Caption(i));
  c->Tabs()->EndUpdate();
  c->SetMultiLine(multiLine);
  return c;
}

void BM_MeasureCaptions(benchmark::State& state) {
  InitializeCxPC();
  TFont font;
  for (auto _ : state)
    for (int i = 0; i < kTabs; ++i) benchmark::DoNotOptimize(MeasureTextWidthInFont(&font, Caption(i)));
}
BENCHMARK(BM_MeasureCaptions)->Unit(benchmark::kMillisecond);

void BM_LayoutOneLine(benchmark::State& state) {
  TcxTabControl* c = MakeControl(false);
  for (auto _ : state) c->LayoutChanged();
  state.counters["last"] = c->LastVisibleTab();
  c->Free();
}
BENCHMARK(BM_LayoutOneLine)->Unit(benchmark::kMillisecond);

void BM_LayoutRows(benchmark::State& state) {
  TcxTabControl* c = MakeControl(true);
  for (auto _ : state) c->LayoutChanged();
  state.counters["rows"] = c->RowCount();
  c->Free();
}
BENCHMARK(BM_LayoutRows)->Unit(benchmark::kMillisecond);

void BM_VisibleIndexLookups(benchmark::State& state) {
  TcxVisibleTabList list;
  for (int i = 0; i < kTabs; ++i) list.Add(i * 2);
  for (auto _ : state)
    for (int i = 0; i < 2 * kTabs; ++i) benchmark::DoNotOptimize(list.IndexOf(i));
}
BENCHMARK(BM_VisibleIndexLookups);

}  // namespace

BENCHMARK_MAIN();
