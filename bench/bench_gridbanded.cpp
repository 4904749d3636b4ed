// The banded table view: paging and painting a view of three bands with three band rows each
// on a 1024 x 768 site at 10,000 and at 1,000,000 records, in one run (targets: PageDown with
// its repaint and a full repaint each within 1.5x at 1,000,000 of the same at 10,000); and the
// layout of 200 columns in 20 bands against 50 columns in 5 bands (target: within 5x, the
// width limits and distributions computed once per layout).
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "backend/Headless.h"
#include "gridviews/cxGridBandedTableViewInfo.h"
#include "vcl/Forms.h"

namespace {

struct TBenchBanded {
  TForm* form;
  TcxGrid* grid;
  TcxGridBandedTableView* view;
  TBenchBanded(int records, int bands, int columnsPerBand) {
    form = new TForm(Application);
    form->SetBounds(0, 0, 1040, 808);
    grid = new TcxGrid(form);
    grid->SetBounds(0, 0, 1024, 768);
    grid->SetParent(form);
    view = static_cast<TcxGridBandedTableView*>(grid->CreateView(TcxGridBandedTableView::StaticClass()));
    grid->Levels()->Add()->SetGridView(view);
    view->GetOptionsView()->SetGroupByBox(false);
    for (int b = 0; b < bands; ++b) view->Bands()->Add()->SetCaption("Band " + std::to_string(b));
    for (int b = 0; b < bands; ++b)
      for (int c = 0; c < columnsPerBand; ++c) {
        TcxGridBandedColumn* column = view->CreateColumn();
        column->SetCaption("C" + std::to_string(b) + "." + std::to_string(c));
        column->Position()->SetBandIndex(b);
        column->Position()->SetRowIndex(c % 3);
      }
    TcxCustomDataController* dc = view->DataController();
    for (int i = 0; i < view->GetColumnCount(); ++i) dc->ChangeValueTypeClass(i, TcxIntegerValueType::Class());
    dc->BeginUpdate();
    dc->SetRecordCount(records);
    for (int r = 0; r < records; ++r)
      for (int c = 0; c < view->GetColumnCount(); ++c) dc->SetValue(r, c, Variant((r * 7919 + c * 104729) % 100000));
    dc->EndUpdate();
    form->Show();
    PumpAll();
    form->Repaint();
  }
  ~TBenchBanded() { form->Free(); }
  static void PumpAll() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
  }
};

void Start() {
  static THeadlessBackend backend;
  static bool set = [] {
    SetBackend(&backend);
    InitializeCxGridBandedTableView();
    return true;
  }();
  (void)set;
}

TBenchBanded& Shown(int records, int bands, int columnsPerBand) {
  Start();
  static std::map<std::tuple<int, int, int>, std::unique_ptr<TBenchBanded>> views;
  const auto key = std::make_tuple(records, bands, columnsPerBand);
  for (auto it = views.begin(); it != views.end();) it = it->first != key ? views.erase(it) : std::next(it);
  auto& v = views[key];
  if (!v) v = std::make_unique<TBenchBanded>(records, bands, columnsPerBand);
  return *v;
}

void BM_BandedPageDown(benchmark::State& state) {
  TBenchBanded& t = Shown(int(state.range(0)), 3, 6);
  auto* controller = t.view->GetController();
  for (auto _ : state) {
    Word key = VK_NEXT;
    controller->HandleKeyDown(key, TShiftState());
    if (controller->TopRecordIndex() > state.range(0) - 200) controller->SetTopRecordIndex(0);
    TBenchBanded::PumpAll();
    t.form->Repaint();
  }
  state.counters["top"] = controller->TopRecordIndex();
}
BENCHMARK(BM_BandedPageDown)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_BandedFullRepaint(benchmark::State& state) {
  TBenchBanded& t = Shown(int(state.range(0)), 3, 6);
  for (auto _ : state) {
    t.view->Painter()->Invalidate();
    t.view->Site()->Update();
  }
  state.counters["lines"] = t.view->GetViewInfo()->GetBandsViewInfo()->GetLineCount();
}
BENCHMARK(BM_BandedFullRepaint)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// A full layout (column auto width on, so every distribution runs) of 100 records.
void BM_BandedLayout(benchmark::State& state) {
  const int bands = int(state.range(0));
  TBenchBanded& t = Shown(100, bands, 10);
  t.view->GetOptionsView()->SetColumnAutoWidth(true);
  TBenchBanded::PumpAll();
  for (auto _ : state) t.view->ViewInfo()->Calculate();
  state.counters["columns"] = t.view->GetVisibleColumnCount();
}
BENCHMARK(BM_BandedLayout)->Arg(5)->Arg(20)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
