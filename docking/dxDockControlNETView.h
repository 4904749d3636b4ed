// The NET view of dock control frames: flat captions along the top, pale tab strips.
#pragma once

#include "docking/dxDockControl.h"

class TdxDockControlNETPainter : public TdxDockControlPainter {
  KORVAN_CLASS(TdxDockControlNETPainter, TdxDockControlPainter)

 public:
  using TdxDockControlPainter::TdxDockControlPainter;
  void InitManagerFont(TdxDockingManager* manager) override;
  bool CanVerticalCaption() override { return false; }
  Integer GetCaptionHeight() override { return FontSize() + 10; }
  Integer GetSpareMetric() override { return 4; }
  Integer GetTabVertOffset() override { return 1; }
  Integer GetTabsHeight() override;
  Integer GetHideBarHeight() override;
  Integer GetHideBarWidth() override;
};
