// The headless window session that fuzz targets of the class framework run in, started once.
#pragma once

#include "backend/Headless.h"
#include "rtl/Clock.h"
#include "vcl/Forms.h"

inline void StartFuzzSession() {
  static bool started = [] {
    static TManualClock clock;
    auto* backend = new THeadlessBackend();
    SetClock(&clock);
    backend->SetManualClock(&clock);
    SetBackend(backend);
    InitializeForms();
    return true;
  }();
  (void)started;
}
