// Shared state of the control unit's source files.
#pragma once

#include <vector>

#include "user/Windows.h"
#include "vcl/Controls.h"

namespace cxcontrols_internal {
// Identifiers of the running TcxTimer objects.
std::vector<UINT_PTR>& ActiveTimers();
// The settings controller of the painted scroll bars (freed at the unit end).
void FreeSettingsController();
// Registers the embedded cursors and panning bitmaps of the control unit.
void RegisterControlResources();
// The framework drag object over any TcxControl now (null when none).
TDragObject*& CurrentVclDragObject();
}  // namespace cxcontrols_internal
