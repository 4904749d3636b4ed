// The Office view: its metrics are the NET view's; it differs in colours only.
#include "docking/dxDockControlOfficeView.h"

KORVAN_IMPLEMENT_CLASS(TdxDockControlOfficePainter)
