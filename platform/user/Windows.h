// The platform API in one include: base types, graphics and the window manager.
#pragma once

#include "gdi/Gdi.h"
#include "gdi/Surface.h"
#include "gdi/WinDef.h"
#include "user/WinUser.h"
