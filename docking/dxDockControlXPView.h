// The XP view of dock control frames: drawn with the platform's visual styles, and exactly as
// the standard view wherever the theme class an operation needs cannot be opened.
#pragma once

#include "docking/dxDockControl.h"

class TdxDockControlXPPainter : public TdxDockControlPainter {
  KORVAN_CLASS(TdxDockControlXPPainter, TdxDockControlPainter)

 public:
  using TdxDockControlPainter::TdxDockControlPainter;
  bool CanVerticalCaption() override;
  Integer GetCaptionButtonSize() override;
  Integer GetCaptionHeight() override;

  void DrawBorder(TCanvas* canvas, TRect r) override;
  void DrawCaption(TCanvas* canvas, TRect r, bool active) override;
  void DrawCaptionSeparator(TCanvas* canvas, TRect r) override;
  void DrawCaptionText(TCanvas* canvas, TRect r, bool active) override;
  void DrawCaptionCloseButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot, bool switched) override;
  void DrawCaptionHideButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot, bool switched) override;
  void DrawCaptionMaximizeButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot, bool switched) override;
  void DrawClient(TCanvas* canvas, TRect r) override;
  void DrawTabs(TCanvas* canvas, TRect r, TRect activeTabRect, TdxTabContainerTabsPosition position) override;
  void DrawTab(TCanvas* canvas, TdxCustomDockControl* control, TRect r, bool active,
               TdxTabContainerTabsPosition position) override;
  void DrawTabsScrollRightButton(TCanvas* canvas, TRect r, bool down, bool hot, bool enabled,
                                 TdxTabContainerTabsPosition position) override;
  void DrawTabsScrollLeftButton(TCanvas* canvas, TRect r, bool down, bool hot, bool enabled,
                                TdxTabContainerTabsPosition position) override;
  void DrawHideBar(TCanvas* canvas, TRect r, TdxAutoHidePosition position) override;
  void DrawHideBarButton(TCanvas* canvas, TdxCustomDockControl* control, TRect r,
                         TdxAutoHidePosition position) override;
};
