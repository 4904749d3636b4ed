// The Office view of dock control frames: the NET view's layout in the Office colour scheme.
#pragma once

#include "docking/dxDockControlNETView.h"

class TdxDockControlOfficePainter : public TdxDockControlNETPainter {
  KORVAN_CLASS(TdxDockControlOfficePainter, TdxDockControlNETPainter)

 public:
  using TdxDockControlNETPainter::TdxDockControlNETPainter;
};
