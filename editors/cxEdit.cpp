// The editors' unit start and end.
#include "editors/cxEdit.h"

#include "editors/cxEditPaintUtils.h"
#include "data/cxFilterConsts.h"
#include "editors/cxFormats.h"
#include "vcl/Forms.h"
#include "vcl/Resources.h"

void RegisterEditorsResources();

namespace {
TcxEditStyleController* defaultEditStyleController = nullptr;

// The mouse-wheel cursor: a picture of ours, in the screen's cursor table at its number.
void LoadMouseWheelCursor() {
  RegisterEditorsResources();
  String bytes;
  if (!FindResourceData("CXEDIT_MOUSEWHEEL", RT_BITMAP_NAME, bytes)) return;
  RegisterResource("CXEDIT_MOUSEWHEEL", RT_CURSOR_NAME, bytes.data(), bytes.size());
  if (Screen) Screen->SetCursors(crcxEditMouseWheel, LoadCursorResource("CXEDIT_MOUSEWHEEL", 16, 16));
}
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
        InitializeForms();
        LoadMouseWheelCursor();
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
