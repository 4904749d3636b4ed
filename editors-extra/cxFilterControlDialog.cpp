#include "editors-extra/cxFilterControlDialog.h"

namespace {
TcxFilterControlDialogHook& Hook() {
  static TcxFilterControlDialogHook hook;
  return hook;
}
}  // namespace

bool ExecuteFilterControlDialog(IcxFilterControl* filterLink, TcxLookAndFeel*, TColor, TFont*,
                                const TcxFilterControlDialogShowEvent&, const std::function<void()>& onApply) {
  const bool applied = Hook() ? Hook()(filterLink) : false;
  if (applied && onApply) onApply();
  return applied;
}

void SetFilterControlDialogHook(TcxFilterControlDialogHook hook) { Hook() = std::move(hook); }
