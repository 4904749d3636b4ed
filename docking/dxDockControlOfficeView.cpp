// The Office view: the NET view drawn in the Office11 scheme colours, with gradients.
#include "docking/dxDockControlOfficeView.h"

#include "foundation/dxOffice11.h"
#include "user/Windows.h"

KORVAN_IMPLEMENT_CLASS(TdxDockControlOfficePainter)

TdxDockControlOfficePainter::TdxDockControlOfficePainter(TdxCustomDockControl* owner)
    : TdxDockControlNETPainter(owner) {
  AcquireOffice11Colors();
}

TdxDockControlOfficePainter::~TdxDockControlOfficePainter() { ReleaseOffice11ColorSet(); }

void TdxDockControlOfficePainter::RefreshColors() { RebuildOffice11Colors(); }

TColor TdxDockControlOfficePainter::GetFrameColor() { return Office11CaptionColor; }

TColor TdxDockControlOfficePainter::GetCaptionColor(bool active) {
  return active ? Office11ActiveCaptionColor : Office11CaptionColor;
}

TColor TdxDockControlOfficePainter::GetCaptionFontColor(bool active) {
  return active ? Office11ActiveCaptionTextColor : Office11CaptionTextColor;
}

TColor TdxDockControlOfficePainter::GetCaptionSignColor(bool active, bool down, bool hot) {
  return GetCaptionFontColor(active && !hot);
}

TColor TdxDockControlOfficePainter::GetTabsScrollButtonsColor() { return Office11BackColor2; }

void TdxDockControlOfficePainter::DrawBorder(TCanvas* canvas, TRect r) {
  Integer bw = GetBorderWidth();
  HDC dc = canvas->Handle();
  FillRect(canvas, Rect(r.Left, r.Top, r.Right, r.Top + bw), Office11CaptionColor);
  FillRect(canvas, Rect(r.Left, r.Bottom - bw, r.Right, r.Bottom), Office11FrameColor);
  FillGradientRect(dc, Rect(r.Left, r.Top, r.Left + bw, r.Bottom), Office11CaptionColor, Office11FrameColor, false);
  FillGradientRect(dc, Rect(r.Right - bw, r.Top, r.Right, r.Bottom), Office11CaptionColor, Office11FrameColor, false);
  if (DockControl() && DockControl()->AutoHide()) DrawColorEdge(canvas, r, 64, 0, Office11FrameColor);
}

void TdxDockControlOfficePainter::DrawCaptionButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot) {
  HDC dc = canvas->Handle();
  if (down && hot)
    FillGradientRect(dc, r, Office11PressedColor1, Office11PressedColor2, false);
  else if (hot)
    FillGradientRect(dc, r, Office11HotColor1, Office11HotColor2, false);
  else
    return;
  FrameOffice11HighlightRect(dc, r);
}

void TdxDockControlOfficePainter::DrawCaptionMaximizeButton(TCanvas* canvas, TRect r, bool active, bool down,
                                                            bool hot, bool switched) {
  // The standard view's triangles, in the Office sign colour with the pressed shift.
  TdxDockControlPainter::DrawCaptionMaximizeButton(canvas, r, active, down, hot, switched);
}

void TdxDockControlOfficePainter::DrawClient(TCanvas* canvas, TRect r) {
  FillGradientRect(canvas->Handle(), r, Office11BackColor1, Office11BackColor2, false);
}

void TdxDockControlOfficePainter::DrawTabs(TCanvas* canvas, TRect r, TRect activeTabRect,
                                           TdxTabContainerTabsPosition position) {
  FillGradientRect(canvas->Handle(), r, Office11BackColor1, Office11BackColor2, false);
  if (position == tctpTop) {
    DrawColorEdge(canvas, Rect(r.Left, r.Top, r.Right, activeTabRect.Bottom), 8, 0, Office11SelectedColor);
    FillRect(canvas, Rect(r.Left, activeTabRect.Bottom, r.Right, r.Bottom), Office11HotColor2);
  } else {
    DrawColorEdge(canvas, Rect(r.Left, activeTabRect.Top, r.Right, r.Bottom), 2, 0, Office11SelectedColor);
    FillRect(canvas, Rect(r.Left, r.Top, r.Right, activeTabRect.Top), Office11HotColor1);
  }
}

void TdxDockControlOfficePainter::DrawTab(TCanvas* canvas, TdxCustomDockControl* control, TRect r, bool active,
                                          TdxTabContainerTabsPosition position) {
  if (active) {
    FillGradientRect(canvas->Handle(), r, Office11HotColor1, Office11HotColor2, false);
    DrawColorEdge(canvas, r, position == tctpTop ? 20 : 33, 0, Office11SelectedColor);
  } else {
    TRect s = Rect(r.Left - 1, r.Top + 3, r.Right + 1, r.Bottom - 3);
    DrawColorEdge(canvas, s, 4, 0, Office11TabSeparatorColor1);
    DrawColorEdge(canvas, Rect(s.Left + 1, s.Top + 1, s.Right + 1, s.Bottom + 1), 4, 0, Office11TabSeparatorColor2);
  }
  DrawTabContent(canvas, control, r, active, position);
}

void TdxDockControlOfficePainter::DrawHideBar(TCanvas* canvas, TRect r, TdxAutoHidePosition position) {
  HDC dc = canvas->Handle();
  TRect strip = HideBarEdgeStrip(r, position);
  switch (position) {
    case ahpLeft:
      FillRect(canvas, r, Office11BackColor2);
      FillRect(canvas, strip, Office11DockColor1);
      break;
    case ahpRight:
      FillRect(canvas, r, Office11BackColor1);
      FillRect(canvas, strip, Office11DockColor2);
      break;
    default:
      FillGradientRect(dc, r, Office11BackColor2, Office11BackColor1, true);
      FillGradientRect(dc, strip, Office11DockColor1, Office11DockColor2, true);
      break;
  }
  ExcludeClipRect(dc, strip.Left, strip.Top, strip.Right, strip.Bottom);
}

void TdxDockControlOfficePainter::DrawHideBarButton(TCanvas* canvas, TdxCustomDockControl* control, TRect r,
                                                    TdxAutoHidePosition position) {
  static const Integer sides[] = {34, 33, 24, 20};
  TRect fill = r;
  // A tab container's button: only the active child's part.
  if (auto* tc = dynamic_cast<TdxTabContainerDockSite*>(control); tc && tc->ActiveChild()) {
    bool vertical = position == ahpLeft || position == ahpRight;
    Integer length = HideBarSectionLength(position), a = tc->ActiveChild()->DockIndex();
    for (Integer i = 0; i < tc->ChildCount(); ++i) {
      if (i == a || !tc->IsValidChild(tc->Children(i))) continue;
      if (i < a)
        (vertical ? fill.Top : fill.Left) += length;
      else
        (vertical ? fill.Bottom : fill.Right) -= length;
    }
  }
  HDC dc = canvas->Handle();
  switch (position) {
    case ahpLeft: FillGradientRect(dc, fill, Office11ButtonColor2, Office11ButtonColor1, true); break;
    case ahpTop: FillGradientRect(dc, fill, Office11ButtonColor2, Office11ButtonColor1, false); break;
    case ahpRight: FillGradientRect(dc, fill, Office11ButtonColor1, Office11ButtonColor2, true); break;
    default: FillGradientRect(dc, fill, Office11ButtonColor1, Office11ButtonColor2, false); break;
  }
  DrawColorEdge(canvas, r, sides[position], 0, Office11SelectedColor);
  DrawHideBarButtonContent(canvas, control, r, position);
}
