// In-place cells with a button: 100,000 cells laid out and painted through one view data,
// against filling each cell and framing its button rectangle with plain GDI calls (the target
// is within 5x of the plain calls).
#include <benchmark/benchmark.h>

#include "editors/cxEdit.h"
#include "gdi/Gdi.h"

namespace {

constexpr int kCells = 100000;
constexpr int kCellW = 100, kCellH = 18, kColumns = 8, kRows = 40;

TRect CellRect(int i) {
  const int k = i % (kColumns * kRows);
  const int x = (k % kColumns) * kCellW, y = (k / kColumns) * kCellH;
  return TRect(x, y, x + kCellW, y + kCellH);
}

void BM_PlainFillAndFrame(benchmark::State& state) {
  TBitmap bitmap;
  bitmap.SetSize(kColumns * kCellW, kRows * kCellH);
  HDC dc = bitmap.Canvas()->Handle();
  HBRUSH fill = CreateSolidBrush(RGB(255, 255, 255));
  HBRUSH face = CreateSolidBrush(RGB(192, 192, 192));
  HBRUSH frame = CreateSolidBrush(RGB(0, 0, 0));
  for (auto _ : state) {
    for (int i = 0; i < kCells; ++i) {
      const TRect r = CellRect(i);
      const TRect b(r.Right - 17, r.Top, r.Right, r.Bottom);
      FillRect(dc, &r, fill);
      FillRect(dc, &b, face);
      FrameRect(dc, &b, frame);
    }
    benchmark::ClobberMemory();
  }
  DeleteObject(fill);
  DeleteObject(face);
  DeleteObject(frame);
  state.SetItemsProcessed(int64_t(state.iterations()) * kCells);
}
BENCHMARK(BM_PlainFillAndFrame)->Unit(benchmark::kMillisecond);

void BM_InplaceCells(benchmark::State& state) {
  TBitmap bitmap;
  bitmap.SetSize(kColumns * kCellW, kRows * kCellH);
  TcxCanvas canvas(bitmap.Canvas());
  TcxCustomEditProperties properties(nullptr);
  properties.Buttons()->AddButton()->SetKind(bkEllipsis);
  TcxEditStyle style(nullptr, false);
  style.SetColor(clWindow);
  std::unique_ptr<TcxCustomEditViewData> data(properties.CreateViewData(&style, true));
  std::unique_ptr<TcxCustomEditViewInfo> info(properties.CreateViewInfo());
  for (auto _ : state) {
    for (int i = 0; i < kCells; ++i) {
      data->CalculateViewInfo(&canvas, CellRect(i), TPoint(-1, -1), 0, {}, info.get(), false);
      info->PaintTo(&canvas);
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kCells);
}
BENCHMARK(BM_InplaceCells)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
