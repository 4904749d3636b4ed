// The docking controller's update bracket: with 300 dock controls, a bracket in which every
// frame is requested several times against recalculating each frame once outside a bracket.
// The bracket should stay within 3x of the baseline (one recalculation per control at the
// end, no sort or list search per queued control).
// The tab container: activating the last of 1,000 tabs (the strip scrolls tab by tab, one
// repaint at the end) against measuring the 1,000 captions once on the same canvas; it should
// stay within 10x (a caption is measured again only when its text, the font or the images
// change).
#include <benchmark/benchmark.h>

#include "BenchHeadless.h"
#include "docking/dxDockControl.h"
#include "docking/dxDockPanel.h"
#include "foundation/cxGraphics.h"
#include "rtl/SysUtils.h"
#include "user/Windows.h"

namespace {

// A form with 100 dock sites, each holding a layout site and a panel: 300 dock controls.
struct DockForm {
  TForm* form = nullptr;
  std::vector<TdxCustomDockControl*> controls;
  DockForm() {
    benchheadless::StartHeadless({InitializeForms}, 1600, 1200);
    form = benchheadless::NewForm(1500, 1100, false);
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

// 1,000 panels as the tabs of one container on a shown form.
struct TabForm {
  TForm* form = nullptr;
  TdxTabContainerDockSite* tc = nullptr;
  std::vector<TdxDockPanel*> panels;
  TabForm() {
    Form();  // the backend
    form = benchheadless::NewForm(600, 400, false);
    auto* site = new TdxDockSite(form);
    site->SetBounds(0, 0, 580, 380);
    site->SetParent(form);
    DockingController()->BeginUpdateNC();
    for (int i = 0; i < 1000; ++i) {
      auto* panel = new TdxDockPanel(form);
      panel->SetCaption("Tab number " + IntToStr(i));
      if (i == 0)
        panel->DockTo(site, dtLeft, -1);
      else
        panel->DockTo(panels.back(), dtClient, -1);
      panels.push_back(panel);
    }
    DockingController()->EndUpdateNC();
    tc = dynamic_cast<TdxTabContainerDockSite*>(panels[0]->ParentDockControl());
    form->Show();
  }
};

TabForm& Tabs() {
  static TabForm f;
  return f;
}

void BM_MeasureThe1000CaptionsOnce(benchmark::State& state) {
  TabForm& f = Tabs();
  TFont* font = f.tc->Font();
  for (auto _ : state) {
    Integer sum = 0;
    for (TdxDockPanel* p : f.panels) sum += MeasureTextWidthInFont(font, p->Caption());
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_MeasureThe1000CaptionsOnce);

void BM_ActivateTheLastOf1000Tabs(benchmark::State& state) {
  TabForm& f = Tabs();
  for (auto _ : state) {
    state.PauseTiming();
    f.tc->SetActiveChild(f.panels.front());  // scrolled back to the start
    state.ResumeTiming();
    f.tc->SetActiveChild(f.panels.back());
  }
  if (f.tc->FirstVisibleTabIndex() == 0) state.SkipWithError("the strip did not scroll");
}
BENCHMARK(BM_ActivateTheLastOf1000Tabs);

}  // namespace

BENCHMARK_MAIN();
