// Text cells of one column: 100,000 cells laid out and painted through the column's
// properties with one view data per pass, against DrawText of the same strings into the same
// rectangles (the target is within 4x of DrawText).
#include <benchmark/benchmark.h>

#include <vector>

#include "editors/cxTextEdit.h"
#include "gdi/Gdi.h"

namespace {

constexpr int kCells = 100000;
constexpr int kCellW = 120, kCellH = 18, kRows = 40;

TRect CellRect(int i) {
  const int y = (i % kRows) * kCellH;
  return TRect(0, y, kCellW, y + kCellH);
}

std::vector<String> Texts() {
  std::vector<String> texts;
  for (int i = 0; i < 1000; ++i) texts.push_back("Customer " + IntToStr(i * 7919 % 100000) + " Ltd.");
  return texts;
}

void BM_DrawText(benchmark::State& state) {
  TBitmap bitmap;
  bitmap.SetSize(kCellW, kRows * kCellH);
  bitmap.Canvas()->Font()->SetName("Tahoma");
  HDC dc = bitmap.Canvas()->Handle();
  const auto texts = Texts();
  for (auto _ : state) {
    for (int i = 0; i < kCells; ++i) {
      TRect r = CellRect(i);
      const String& t = texts[size_t(i) % texts.size()];
      DrawText(dc, t.c_str(), int(t.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kCells);
}
BENCHMARK(BM_DrawText)->Unit(benchmark::kMillisecond);

void BM_TextCells(benchmark::State& state) {
  TBitmap bitmap;
  bitmap.SetSize(kCellW, kRows * kCellH);
  TcxCanvas canvas(bitmap.Canvas());
  TcxTextEditProperties properties(nullptr);
  TcxEditStyle style(nullptr, false);
  style.SetColor(clWindow);
  style.Font()->SetName("Tahoma");
  const auto texts = Texts();
  for (auto _ : state) {
    std::unique_ptr<TcxCustomEditViewData> data(properties.CreateViewData(&style, true));
    std::unique_ptr<TcxCustomEditViewInfo> info(properties.CreateViewInfo());
    for (int i = 0; i < kCells; ++i) {
      data->FillDisplayText(&canvas, Variant(texts[size_t(i) % texts.size()]), info.get());
      data->CalculateViewInfo(&canvas, CellRect(i), TPoint(-1, -1), 0, {}, info.get(), false);
      info->PaintTo(&canvas);
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kCells);
}
BENCHMARK(BM_TextCells)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
