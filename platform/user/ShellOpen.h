// Opening a document or link with the application the desktop registers for it: `xdg-open`
// started with the target as its one argument (no shell), its result ignored. A replaceable
// hook stands in front of it, so tests can record what would be opened.
#pragma once

#include <functional>

#include "rtl/System.h"

using TShellOpenHook = std::function<void(const String& target)>;

// Opens the target through the current hook; an empty target opens nothing.
void ShellOpen(const String& target);
// Replaces the hook (an empty one restores the desktop's opener); returns the previous hook.
TShellOpenHook SetShellOpenHook(TShellOpenHook hook);
