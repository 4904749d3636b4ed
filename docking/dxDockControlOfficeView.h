// The Office view of dock control frames: the NET view's layout in the Office colour scheme.
#pragma once

#include "docking/dxDockControlNETView.h"

class TdxDockControlOfficePainter : public TdxDockControlNETPainter {
  KORVAN_CLASS(TdxDockControlOfficePainter, TdxDockControlNETPainter)

 public:
  explicit TdxDockControlOfficePainter(TdxCustomDockControl* owner = nullptr);
  ~TdxDockControlOfficePainter() override;
  void RefreshColors() override;

  TColor GetFrameColor() override;
  TColor GetCaptionColor(bool active) override;
  TColor GetCaptionFontColor(bool active) override;
  TColor GetCaptionSignColor(bool active, bool down, bool hot) override;
  TColor GetTabFontColor(bool active) override { return GetFont()->Color(); }
  TColor GetTabsScrollButtonsColor() override;
  TColor GetTabsScrollButtonsSignColor(bool enabled) override { return DarkColor(GetTabsScrollButtonsColor()); }

  void DrawBorder(TCanvas* canvas, TRect r) override;
  void DrawCaptionButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot) override;
  void DrawCaptionMaximizeButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot, bool switched) override;
  void DrawClient(TCanvas* canvas, TRect r) override;
  void DrawTabs(TCanvas* canvas, TRect r, TRect activeTabRect, TdxTabContainerTabsPosition position) override;
  void DrawTab(TCanvas* canvas, TdxCustomDockControl* control, TRect r, bool active,
               TdxTabContainerTabsPosition position) override;
  void DrawHideBar(TCanvas* canvas, TRect r, TdxAutoHidePosition position) override;
  void DrawHideBarButton(TCanvas* canvas, TdxCustomDockControl* control, TRect r,
                         TdxAutoHidePosition position) override;
};
