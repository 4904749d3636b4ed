// Helpers of the hand-run desktop checks (DISABLED_Sdl* tests under a display with xdotool).
#pragma once

#include <functional>

#include "rtl/System.h"

class TControl;

namespace desktopcheck {

// Processes messages until the condition holds or the time (milliseconds) is up.
bool RunUntil(const std::function<bool()>& done, int ms);

// Runs xdotool with the arguments in the background (real input through the X server).
// Commands started one after the other this way run at the same time: keys of one may
// arrive while another still holds a modifier.
void Xdotool(const String& args);
// Runs xdotool and processes messages until it has finished, so that input sent by
// successive calls arrives in order.
void XdotoolAndWait(const String& args);

// Moves the real pointer to a screen point (waiting for the X server).
void MoveTo(Integer x, Integer y);

// Moves the real pointer to a point of the control's client area and clicks the left button.
void ClickAt(TControl* control, const TPoint& p);

// Presses the left button at (x1, y1), moves to (x2, y2) in five steps and releases there.
void DragOnScreen(Integer x1, Integer y1, Integer x2, Integer y2);

}  // namespace desktopcheck
