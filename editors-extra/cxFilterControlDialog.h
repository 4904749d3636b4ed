// The filter builder dialog: its entry point. The dialog itself is not built yet: until it
// is, it answers "not applied". Tests (and the dialog, once it exists) install the hook.
#pragma once

#include <functional>

#include "editors-extra/cxFilterControl.h"
#include "foundation/cxLookAndFeels.h"
#include "vcl/Graphics.h"

using TcxFilterControlDialogShowEvent = std::function<void(TObject* dialog)>;

// Shows the filter builder for the link's criteria; `onApply` runs when the user applies it.
// Answers whether the user applied it.
bool ExecuteFilterControlDialog(IcxFilterControl* filterLink, TcxLookAndFeel* lookAndFeel, TColor color,
                                TFont* font, const TcxFilterControlDialogShowEvent& onShow,
                                const std::function<void()>& onApply);

using TcxFilterControlDialogHook = std::function<bool(IcxFilterControl* filterLink)>;
// Null restores the answer above (not applied).
void SetFilterControlDialogHook(TcxFilterControlDialogHook hook);
