// The check list box: 100,000 items added inside the items' update bracket and the EditValue
// read back, against filling a string list with the same texts (target: within 3x); painting
// a list of 100,000 items against painting one that holds only its visible rows (within 2x).
#include <benchmark/benchmark.h>

#include "BenchHeadless.h"
#include "editors/cxCheckListBox.h"
#include "rtl/Classes.h"
#include "rtl/SysUtils.h"

namespace {

constexpr Integer kCount = 100000;

struct Session {
  TForm* form = nullptr;
  std::vector<String> texts;
  Session() {
    benchheadless::StartHeadless({InitializeForms, InitializeCxCheckListBox}, 1024, 768);
    form = benchheadless::NewForm(400, 400);
    for (Integer i = 0; i < kCount; ++i) texts.push_back("Value " + IntToStr((i * 7919) % kCount));
  }
};

Session& S() {
  static Session s;
  return s;
}

TcxCheckListBox* MakeList(Integer count) {
  auto* list = new TcxCheckListBox(S().form);
  list->SetBounds(0, 0, 300, 300);
  list->SetParent(S().form);
  list->SetEditValueFormat(cvfStatesString);
  list->CheckItems()->BeginUpdate();
  for (Integer i = 0; i < count; ++i)
    list->CheckItems()->AddCheckItem(S().texts[size_t(i)], i % 2 ? cbsChecked : cbsUnchecked);
  list->CheckItems()->EndUpdate();
  return list;
}

void BM_FillStringList(benchmark::State& state) {
  for (auto _ : state) {
    TStringList list;
    for (const String& t : S().texts) list.Add(t);
    benchmark::DoNotOptimize(list.Count());
  }
}

void BM_FillCheckListAndReadValue(benchmark::State& state) {
  std::vector<TcxCheckListBox*> made;
  for (auto _ : state) {
    TcxCheckListBox* list = MakeList(kCount);
    benchmark::DoNotOptimize(VarToStr(list->EditValue()).size());
    made.push_back(list);
  }
  for (TcxCheckListBox* list : made) list->Free();
}

void BM_PaintList(benchmark::State& state) {
  TcxCheckListBox* list = MakeList(Integer(state.range(0)));
  list->SetItemIndex(0);
  Application->ProcessMessages();
  const HWND wnd = list->InnerListBox()->Handle();
  int64_t drawn = 0;
  list->OnDrawCheckItem = [&](TWinControl*, Integer, TRect, TOwnerDrawState) { ++drawn; };
  for (auto _ : state) {
    InvalidateRect(wnd, nullptr, TRUE);
    UpdateWindow(wnd);
  }
  state.counters["rows"] = benchmark::Counter(double(drawn), benchmark::Counter::kAvgIterations);
  list->Free();
}

BENCHMARK(BM_FillStringList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillCheckListAndReadValue)->Unit(benchmark::kMillisecond);
// All items against only the rows that show (300 pixels of rows).
BENCHMARK(BM_PaintList)->Arg(kCount)->Arg(20)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
