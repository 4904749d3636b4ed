// Docking layout sections on arbitrary text: a form with a dock site and four panels docked
// into a tree (left, a tab container, right, an auto-hidden bottom panel) loads the layout
// from an ini store. A damaged layout raises the layout error; a loaded one leaves a dock tree
// whose every control reaches its top-most site. Never a crash, hang or overflow.
#include <cstddef>
#include <cstdint>

#include "FuzzSession.h"
#include "docking/dxDockControl.h"
#include "docking/dxDockPanel.h"
#include "rtl/IniFiles.h"
#include "rtl/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 32768) return 0;
  StartFuzzSession();
  auto* form = new TForm(Application);
  form->SetName("Form1");
  form->SetBounds(10, 10, 500, 400);
  auto* site = new TdxDockSite(form);
  site->SetName("Site");
  site->SetBounds(0, 0, 400, 300);
  site->SetParent(form);
  site->SetAlign(alClient);
  TdxDockPanel* p[4];
  for (int i = 0; i < 4; ++i) {
    p[i] = new TdxDockPanel(form);
    p[i]->SetName("P" + IntToStr(i + 1));
    p[i]->SetCaption("Panel " + IntToStr(i + 1));
  }
  form->Show();
  FuzzPump();
  p[0]->DockTo(site, dtLeft, -1);
  p[1]->DockTo(p[0], dtClient, -1);
  p[2]->DockTo(site, dtRight, -1);
  p[3]->DockTo(site, dtBottom, -1);
  p[3]->SetAutoHide(true);
  FuzzPump();
  if (std::getenv("FUZZ_SEED")) {  // the tree's own layout, as a seed
    TMemIniFile seed;
    DockingController()->SaveLayoutToIniFile(&seed, form);
    std::fprintf(stderr, "%s", seed.Text().c_str());
  }
  TMemIniFile ini;
  ini.SetText(String(reinterpret_cast<const char*>(data), size));
  try {
    DockingController()->LoadLayoutFromIniFile(&ini, form);
    FuzzPump();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    FuzzPump();
    for (int i = 0; i < DockingController()->DockControlCount(); ++i) {
      TdxCustomDockControl* c = DockingController()->DockControls(i);
      if (c->TopMostDockControl() == nullptr) {
        std::fprintf(stderr, "fuzz: %s has no top-most dock control\n", c->Name().c_str());
        std::abort();
      }
    }
    // And the layout saved back loads again.
    TMemIniFile again;
    DockingController()->SaveLayoutToIniFile(&again, form);
    if (std::getenv("FUZZ_TRACE")) std::fprintf(stderr, "%s", again.Text().c_str());
    DockingController()->LoadLayoutFromIniFile(&again, form);
    FuzzPump();
  } catch (const Exception& e) {
    if (std::getenv("FUZZ_TRACE")) std::fprintf(stderr, "layout error: %s\n", e.Message().c_str());
  }
  form->Free();
  FuzzPump();
  FuzzEndInput();
  return 0;
}
