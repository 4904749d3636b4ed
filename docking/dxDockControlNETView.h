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

  TColor GetCaptionColor(bool active) override;
  TColor GetCaptionFontColor(bool active) override;
  TColor GetTabsColor() override { return GetPaleColor(); }
  TColor GetHideBarColor() override { return GetPaleColor(); }
  TColor GetTabColor(bool active) override { return active ? GetColor() : GetPaleColor(); }
  TColor GetTabFontColor(bool active) override;
  TColor GetTabsScrollButtonsSignColor(bool enabled) override { return DarkColor(GetColor()); }

  void DrawBorder(TCanvas* canvas, TRect r) override;
  void DrawCaption(TCanvas* canvas, TRect r, bool active) override;
  void DrawCaptionText(TCanvas* canvas, TRect r, bool active) override;
  void DrawCaptionButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot) override;
  void DrawCaptionCloseButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot, bool switched) override;
  void DrawCaptionHideButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot, bool switched) override;
  void DrawCaptionMaximizeButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot, bool switched) override;
  void DrawTabs(TCanvas* canvas, TRect r, TRect activeTabRect, TdxTabContainerTabsPosition position) override;
  void DrawTab(TCanvas* canvas, TdxCustomDockControl* control, TRect r, bool active,
               TdxTabContainerTabsPosition position) override;
  void DrawTabsScrollButton(TCanvas* canvas, TRect r, bool down, bool hot, bool enabled,
                            TdxTabContainerTabsPosition position) override;
  void DrawTabsScrollRightButton(TCanvas* canvas, TRect r, bool down, bool hot, bool enabled,
                                 TdxTabContainerTabsPosition position) override;
  void DrawTabsScrollLeftButton(TCanvas* canvas, TRect r, bool down, bool hot, bool enabled,
                                TdxTabContainerTabsPosition position) override;
  void DrawHideBar(TCanvas* canvas, TRect r, TdxAutoHidePosition position) override;
  void DrawHideBarButton(TCanvas* canvas, TdxCustomDockControl* control, TRect r,
                         TdxAutoHidePosition position) override;

  // A pale tone of the colour: every channel shifted so that the largest reaches 255.
  virtual TColor GetPaleColor();
  static TColor PaleColorOf(TColor c);

 protected:
  // The arrow of a scroll button: filled when enabled, outlined when not.
  void DrawScrollArrow(TCanvas* canvas, TRect r, bool right, bool enabled);
  // The strip along a hide bar's outer edge, then excluded from clipping.
  TRect HideBarEdgeStrip(TRect r, TdxAutoHidePosition position);
};
