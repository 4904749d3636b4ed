// Painting a page of 30 JPEG picture cells (stretched and centred, as a grid's image column
// shows them) against decoding the same 30 pictures with the platform's JPEG class and
// stretching them into bitmaps, in the same run. The counter "cells_x_decode" is the cells'
// time over the baseline's (target: 1.5 or less).
#include <benchmark/benchmark.h>

#include <chrono>

#include "editors-extra/cxImage.h"

namespace {

constexpr int kCells = 30;

std::vector<String> JpegValues() {
  std::vector<String> values;
  for (int i = 0; i < kCells; ++i) {
    TJPEGImage jpeg;
    TBitmap* b = jpeg.Bitmap();
    b->SetSize(320, 240);
    b->Canvas()->Brush()->SetColor(TColor(0x102030 * (i + 1) & 0xFFFFFF));
    b->Canvas()->FillRect(TRect(0, 0, 320, 240));
    b->Canvas()->Brush()->SetColor(TColor(0x00A0FF));
    b->Canvas()->Ellipse(40 + i, 30, 280 - i, 210);
    TStringStream s;
    jpeg.SaveToStream(&s);
    values.push_back(s.DataString());
  }
  return values;
}

void BM_JpegPictureCells(benchmark::State& state) {
  const std::vector<String> values = JpegValues();
  TBitmap page;
  page.SetSize(6 * 100, 5 * 80);
  TcxCanvas canvas(page.Canvas());
  TcxImageProperties props(nullptr);
  props.SetGraphicClass(TJPEGImage::StaticClass());
  props.SetStretch(true);
  TcxEditStyle style(nullptr, false);
  double cells = 0, baseline = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kCells; ++i) {
      const TRect r = Bounds((i % 6) * 100, (i / 6) * 80, 100, 80);
      std::unique_ptr<TcxCustomEditViewData> data(props.CreateViewData(&style, true));
      std::unique_ptr<TcxCustomEditViewInfo> vi(props.CreateViewInfo());
      data->FillDisplayText(&canvas, Variant(values[size_t(i)]), vi.get());
      data->CalculateViewInfo(&canvas, r, TPoint(-1, -1), 0, {}, vi.get(), false);
      vi->PaintTo(&canvas);
    }
    auto t1 = std::chrono::steady_clock::now();
    for (int i = 0; i < kCells; ++i) {
      TJPEGImage jpeg;
      TStringStream s(values[size_t(i)]);
      jpeg.LoadFromStream(&s);
      TBitmap target;
      target.SetSize(100, 75);
      target.Canvas()->StretchDraw(TRect(0, 0, 100, 75), &jpeg);
      benchmark::DoNotOptimize(target.Handle());
    }
    auto t2 = std::chrono::steady_clock::now();
    cells += std::chrono::duration<double>(t1 - t0).count();
    baseline += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["cells_x_decode"] = baseline > 0 ? cells / baseline : 0;
  state.SetItemsProcessed(int64_t(state.iterations()) * kCells);
}
BENCHMARK(BM_JpegPictureCells)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
