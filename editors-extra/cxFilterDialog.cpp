#include "editors-extra/cxFilterDialog.h"

namespace {
TcxFilterTooComplexHook& TooComplexHook() {
  static TcxFilterTooComplexHook hook;
  return hook;
}
TcxShowFilterDialogHook& ShowHook() {
  static TcxShowFilterDialogHook hook;
  return hook;
}
}  // namespace

bool IsFilterTooComplexForDialog(TcxFilterCriteria* filter, TObject* item) {
  return TooComplexHook() ? TooComplexHook()(filter, item) : false;
}

bool ShowFilterDialog(TcxFilterCriteria* filter, TObject* item, TcxCustomEditProperties*, const String& caption,
                      TcxValueTypeClass, TFont*, TcxLookAndFeel*) {
  return ShowHook() ? ShowHook()(filter, item, caption) : false;
}

void SetFilterTooComplexHook(TcxFilterTooComplexHook hook) { TooComplexHook() = std::move(hook); }
void SetShowFilterDialogHook(TcxShowFilterDialogHook hook) { ShowHook() = std::move(hook); }
