// The editors' unit start and end.
#include "editors/cxEdit.h"

#include "editors/cxEditPaintUtils.h"
#include "editors/cxFormats.h"

namespace {
TcxEditStyleController* defaultEditStyleController = nullptr;
}

TcxEditStyleController* DefaultEditStyleController() {
  InitializeCxEdit();
  return defaultEditStyleController;
}

void InitializeCxEdit() {
  InitUnit(
      "cxEdit",
      [] {
        InitializeCxFormats();
        InitializeCxEditPaintUtils();
        InitializeGlobalStyleController();
        defaultEditStyleController = new TcxEditStyleController(nullptr);
      },
      [] {
        delete defaultEditStyleController;
        defaultEditStyleController = nullptr;
      });
}
