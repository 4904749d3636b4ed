// The docking controller's update bracket: with 300 dock controls, a bracket in which every
// frame is requested several times against recalculating each frame once outside a bracket.
// The bracket should stay within 3x of the baseline (one recalculation per control at the
// end, no sort or list search per queued control).
#include <benchmark/benchmark.h>

#include "backend/Headless.h"
#include "docking/dxDockControl.h"
#include "docking/dxDockPanel.h"
#include "user/Windows.h"
#include "vcl/Forms.h"

namespace {

// A form with 100 dock sites, each holding a layout site and a panel: 300 dock controls.
struct DockForm {
  THeadlessBackend backend{1600, 1200};
  TForm* form = nullptr;
  std::vector<TdxCustomDockControl*> controls;
  DockForm() {
    SetBackend(&backend);
    InitializeForms();
    form = new TForm(Application);
    form->SetBounds(0, 0, 1500, 1100);
    for (int i = 0; i < 100; ++i) {
      auto* site = new TdxDockSite(form);
      site->SetBounds((i % 10) * 140, (i / 10) * 100, 130, 90);
      site->SetParent(form);
      auto* panel = new TdxDockPanel(form);
      panel->DockTo(site, dtLeft, -1);
      controls.push_back(site);
      controls.push_back(site->Children(0));
      controls.push_back(panel);
    }
    form->Show();
  }
  ~DockForm() {
    form->Free();
    FinalizeDockingController();
  }
};

DockForm& Form() {
  static DockForm f;
  return f;
}

void BM_RecalculateEachFrameOnce(benchmark::State& state) {
  DockForm& f = Form();
  for (auto _ : state)
    for (TdxCustomDockControl* c : f.controls) c->RecalculateNC(false);
  state.SetItemsProcessed(state.iterations() * int64_t(f.controls.size()));
}
BENCHMARK(BM_RecalculateEachFrameOnce);

void BM_BracketRequestingEveryFrameThreeTimes(benchmark::State& state) {
  DockForm& f = Form();
  for (auto _ : state) {
    DockingController()->BeginUpdateNC();
    for (int k = 0; k < 3; ++k)
      for (TdxCustomDockControl* c : f.controls) c->RecalculateNC(false);
    DockingController()->EndUpdateNC();
  }
  state.SetItemsProcessed(state.iterations() * int64_t(f.controls.size()));
}
BENCHMARK(BM_BracketRequestingEveryFrameThreeTimes);

}  // namespace

BENCHMARK_MAIN();
