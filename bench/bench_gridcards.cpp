// The card view's paging and painting: a view of 4 rows on a 1024 x 768 site at 10,000 and at
// 1,000,000 records in one run. Targets: PageDown with its repaint and a full repaint each
// within 1.5x at 1,000,000 of the same at 10,000.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "backend/Headless.h"
#include "gridviews/cxGridCardView.h"
#include "vcl/Forms.h"

namespace {

struct TBenchCards {
  TForm* form;
  TcxGrid* grid;
  TcxGridCardView* view;
  explicit TBenchCards(int records) {
    form = new TForm(Application);
    form->SetBounds(0, 0, 1040, 808);
    grid = new TcxGrid(form);
    grid->SetBounds(0, 0, 1024, 768);
    grid->SetParent(form);
    view = static_cast<TcxGridCardView*>(grid->CreateView(TcxGridCardView::StaticClass()));
    grid->Levels()->Add()->SetGridView(view);
    for (int i = 0; i < 4; ++i) view->CreateRow()->SetCaption("Row " + std::to_string(i));
    TcxCustomDataController* dc = view->DataController();
    for (int i = 0; i < 4; ++i) dc->ChangeValueTypeClass(i, TcxIntegerValueType::Class());
    dc->BeginUpdate();
    dc->SetRecordCount(records);
    for (int r = 0; r < records; ++r)
      for (int c = 0; c < 4; ++c) dc->SetValue(r, c, Variant((r * 7919 + c * 104729) % 100000));
    dc->EndUpdate();
    form->Show();
    PumpAll();
    form->Repaint();
  }
  ~TBenchCards() { form->Free(); }
  static void PumpAll() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
  }
};

TBenchCards& Shown(int records) {
  static THeadlessBackend backend;
  static bool set = [] {
    SetBackend(&backend);
    InitializeCxGridCardView();
    return true;
  }();
  (void)set;
  static std::map<int, std::unique_ptr<TBenchCards>> views;
  for (auto it = views.begin(); it != views.end();) it = it->first != records ? views.erase(it) : std::next(it);
  auto& v = views[records];
  if (!v) v = std::make_unique<TBenchCards>(records);
  return *v;
}

void BM_CardsPageDown(benchmark::State& state) {
  TBenchCards& t = Shown(int(state.range(0)));
  auto* controller = static_cast<TcxGridCardViewController*>(t.view->Controller());
  for (auto _ : state) {
    Word key = VK_NEXT;
    controller->HandleKeyDown(key, TShiftState());
    if (controller->TopRecordIndex() > state.range(0) - 200) controller->SetTopRecordIndex(0);
    TBenchCards::PumpAll();
    t.form->Repaint();
  }
  state.counters["top"] = controller->TopRecordIndex();
}
BENCHMARK(BM_CardsPageDown)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_CardsFullRepaint(benchmark::State& state) {
  TBenchCards& t = Shown(int(state.range(0)));
  for (auto _ : state) {
    t.view->Painter()->Invalidate();
    t.view->Site()->Update();
  }
  state.counters["cards"] = t.view->GetViewInfo()->GetCardsViewInfo()->Count();
}
BENCHMARK(BM_CardsFullRepaint)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
