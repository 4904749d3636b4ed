// The editors' unit start and end.
#include "editors/cxEdit.h"

#include "editors/cxEditPaintUtils.h"
#include "data/cxFilterConsts.h"
#include "editors/cxFormats.h"

namespace {
TcxEditStyleController* defaultEditStyleController = nullptr;
TcxEditRepository* defaultEditRepository = nullptr;
}

TcxEditRepository* DefaultEditRepository() {
  InitializeCxEdit();
  if (!defaultEditRepository) defaultEditRepository = new TcxEditRepository(nullptr);
  return defaultEditRepository;
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
        // The data layer's filter texts go through the library's text replacement.
        SetFilterResourceTextHook(&ReplaceResourceText);
        defaultEditStyleController = new TcxEditStyleController(nullptr);
        RegisterClass(TcxEditRepository::StaticClass());
        RegisterClass(TcxEditRepositoryItem::StaticClass());
      },
      [] {
        SetFilterResourceTextHook(nullptr);
        if (defaultEditRepository) defaultEditRepository->Free();
        defaultEditRepository = nullptr;
        delete defaultEditStyleController;
        defaultEditStyleController = nullptr;
      });
}
