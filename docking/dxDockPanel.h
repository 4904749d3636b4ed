// The dock panel: the dock control that holds the user's content and is docked, tabbed,
// stacked, floated and auto-hidden. It never contains other dock controls.
#pragma once

#include "docking/dxDockControl.h"

class TdxDockPanel : public TdxCustomDockControl {
  KORVAN_CLASS(TdxDockPanel, TdxCustomDockControl)

 public:
  explicit TdxDockPanel(TComponent* owner);

  bool CanActive() override { return true; }
  bool CanActivate() override { return true; }
  bool CanDock() override { return true; }
  bool CanAutoHide() override;
  bool CanDockHost(TdxCustomDockControl* control, TdxDockingType type) override;
  bool HasBorder() override;
  bool HasCaption() override;
  void SetParent(TWinControl* parent) override;

  bool ShowSingleTab() const { return showSingleTab_; }
  void SetShowSingleTab(bool v);

 protected:
  void ValidateInsert(TComponent* c) override;

 private:
  bool showSingleTab_ = false;
};
