// The XP view of dock control frames: drawn with the platform's visual styles, and exactly as
// the standard view where the tab style cannot be opened.
#pragma once

#include "docking/dxDockControl.h"

class TdxDockControlXPPainter : public TdxDockControlPainter {
  KORVAN_CLASS(TdxDockControlXPPainter, TdxDockControlPainter)

 public:
  using TdxDockControlPainter::TdxDockControlPainter;
  bool CanVerticalCaption() override;
  Integer GetCaptionButtonSize() override;
  Integer GetCaptionHeight() override;

 private:
  static bool TabStyleAvailable();
};
