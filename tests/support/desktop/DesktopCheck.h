// Helpers of the hand-run desktop checks (DISABLED_Sdl* tests under a display with xdotool).
#pragma once

#include <functional>

#include "rtl/System.h"

namespace desktopcheck {

// Processes messages until the condition holds or the time (milliseconds) is up.
bool RunUntil(const std::function<bool()>& done, int ms);

// Runs xdotool with the arguments in the background (real input through the X server).
void Xdotool(const String& args);

}  // namespace desktopcheck
