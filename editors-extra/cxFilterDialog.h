// The custom filter dialog of one item: its entry points. The dialog itself is not built yet:
// until it is, it answers "not applied" and no filter counts as too complex for it. Tests (and
// the dialog, once it exists) install the hooks.
#pragma once

#include <functional>

#include "data/cxDataStorage.h"
#include "data/cxFilter.h"
#include "foundation/cxLookAndFeels.h"
#include "vcl/Graphics.h"

class TcxCustomEditProperties;

// True when the item's conditions cannot be shown by the custom filter dialog.
bool IsFilterTooComplexForDialog(TcxFilterCriteria* filter, TObject* item);
// Shows the custom filter dialog for one item; True when the user applied it (the filter has
// been changed).
bool ShowFilterDialog(TcxFilterCriteria* filter, TObject* item, TcxCustomEditProperties* properties,
                      const String& caption, TcxValueTypeClass valueTypeClass, TFont* font,
                      TcxLookAndFeel* lookAndFeel);

using TcxFilterTooComplexHook = std::function<bool(TcxFilterCriteria* filter, TObject* item)>;
using TcxShowFilterDialogHook = std::function<bool(TcxFilterCriteria* filter, TObject* item, const String& caption)>;
// Null restores the answers above (not too complex, not applied).
void SetFilterTooComplexHook(TcxFilterTooComplexHook hook);
void SetShowFilterDialogHook(TcxShowFilterDialogHook hook);
