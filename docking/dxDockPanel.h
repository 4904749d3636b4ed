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
  bool CanMaximize() override;
  bool CanDockHost(TdxCustomDockControl* control, TdxDockingType type) override;
  bool CanAcceptSideContainerItems(TdxSideContainerDockSite* container) override { return true; }
  bool CanAcceptTabContainerItems(TdxTabContainerDockSite* container) override { return true; }
  bool HasBorder() override;
  bool HasCaption() override;
  bool HasTabs() override;
  void CalculateNC(TRect& r) override;
  void NCPaint(TCanvas* canvas) override;
  void SetParent(TWinControl* parent) override;
  void CreateDockZones(TdxCustomDockControl* control, Integer width) override;

  bool ShowSingleTab() const { return showSingleTab_; }
  void SetShowSingleTab(bool v);
  TdxTabContainerTabsPosition TabPosition() const { return tabPosition_; }
  void SetTabPosition(TdxTabContainerTabsPosition v);
  // The side the single tab stands on: TabPosition when shown, else the manager's default
  // for tab containers.
  TdxTabContainerTabsPosition EffectiveTabPosition();
  const TRect& TabsRect() const { return tabsRect_; }
  const TRect& TabRect() const { return tabRect_; }

 protected:
  void ValidateInsert(TComponent* c) override;
  void CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) override;
  void AssignTabContainerSiteProperties(TdxTabContainerDockSite* site) override;
  bool MouseLeftDown(TPoint client) override;
  bool MouseLeftUp(TPoint client) override;
  bool MouseMoved(TPoint client) override;
  bool MouseLeftDoubleClick(TPoint client) override;

 private:
  bool showSingleTab_ = false;
  TdxTabContainerTabsPosition tabPosition_ = tctpBottom;
  TRect tabsRect_, tabRect_;
  bool tabPressed_ = false;
};
