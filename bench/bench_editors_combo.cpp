// The combo box: opening a combo box of 100,000 items (list made, content size measured, popup
// shown) against measuring the widths of its texts once on a canvas (target: within 3x).
#include <benchmark/benchmark.h>

#include "BenchHeadless.h"
#include "editors/cxComboBox.h"
#include "rtl/Classes.h"
#include "rtl/SysUtils.h"
#include "vcl/Graphics.h"

namespace {

constexpr Integer kCount = 100000;

struct Session {
  TForm* form = nullptr;
  TcxComboBox* combo = nullptr;
  Session() {
    benchheadless::StartHeadless({InitializeForms, InitializeCxComboBox}, 1024, 768);
    form = benchheadless::NewForm(400, 400);
    combo = new TcxComboBox(form);
    combo->SetBounds(10, 10, 150, 21);
    combo->SetParent(form);
    combo->PopupWindow()->SetRunsModalLoop(false);
    TStringList* items = combo->ActiveProperties()->Items();
    items->BeginUpdate();
    for (Integer i = 0; i < kCount; ++i) items->Add("Value " + IntToStr((i * 7919) % kCount));
    items->EndUpdate();
    combo->SetFocus();
    Application->ProcessMessages();
  }
};

Session& S() {
  static Session s;
  return s;
}

void BM_MeasureTextWidths(benchmark::State& state) {
  TStringList* items = S().combo->ActiveProperties()->Items();
  TBitmap bitmap;
  bitmap.SetSize(10, 10);
  TCanvas* canvas = bitmap.Canvas();
  canvas->Font()->Assign(S().combo->Style()->Font());
  for (auto _ : state) {
    Integer widest = 0;
    for (Integer i = 0; i < items->Count(); ++i) widest = std::max(widest, canvas->TextWidth(items->Strings(i)));
    benchmark::DoNotOptimize(widest);
  }
}

void BM_OpenComboBox(benchmark::State& state) {
  TcxComboBox* combo = S().combo;
  for (auto _ : state) {
    combo->SetDroppedDown(true);
    Application->ProcessMessages();
    if (!combo->DroppedDown()) state.SkipWithError("the combo box did not open");
    state.PauseTiming();
    combo->CloseUp(crCancel);
    Application->ProcessMessages();
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(BM_MeasureTextWidths)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenComboBox)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
