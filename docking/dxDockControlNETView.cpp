// The NET view: metrics, colours and flat drawing of captions, tabs and hide bars.
#include "docking/dxDockControlNETView.h"

#include <algorithm>

#include "user/Windows.h"

KORVAN_IMPLEMENT_CLASS(TdxDockControlNETPainter)

namespace {
void Line(TCanvas* canvas, Integer x1, Integer y1, Integer x2, Integer y2) {
  canvas->MoveTo(x1, y1);
  canvas->LineTo(x2, y2);
}

void SignPen(TCanvas* canvas, TColor color, Integer width = 1) {
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetWidth(width);
  canvas->Pen()->SetColor(color);
  canvas->Brush()->SetStyle(bsClear);
}
}  // namespace

void TdxDockControlNETPainter::InitManagerFont(TdxDockingManager* manager) {
  TdxDockControlPainter::InitManagerFont(manager);
  manager->Font()->SetName("Tahoma");
}

Integer TdxDockControlNETPainter::GetTabsHeight() {
  return std::max(FontSize() + 16, 4 * GetTabVertOffset() + GetImageHeight() + 4);
}

Integer TdxDockControlNETPainter::GetHideBarHeight() {
  return std::max(FontSize() + 16, 2 * GetHideBarVertInterval() + GetImageHeight() + 4);
}

Integer TdxDockControlNETPainter::GetHideBarWidth() {
  return std::max(FontSize() + 16, 2 * GetHideBarVertInterval() + GetImageWidth() + 4);
}

TColor TdxDockControlNETPainter::PaleColorOf(TColor color) {
  COLORREF c = ColorToRGB(color);
  long r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  long d = std::min(0L, 220 - std::max({r, g, b}));
  auto clamp = [](long v) { return BYTE(std::clamp(v, 0L, 255L)); };
  return TColor(RGB(clamp(r + d + 35), clamp(g + d + 35), clamp(b + d + 35)));
}

TColor TdxDockControlNETPainter::GetPaleColor() { return PaleColorOf(GetColor()); }

TColor TdxDockControlNETPainter::GetCaptionColor(bool active) { return active ? clActiveCaption : GetColor(); }

TColor TdxDockControlNETPainter::GetCaptionFontColor(bool active) { return active ? clCaptionText : clBlack; }

TColor TdxDockControlNETPainter::GetTabFontColor(bool active) {
  TColor c = GetFont()->Color();
  return active ? c : LightColor(c);
}

void TdxDockControlNETPainter::DrawBorder(TCanvas* canvas, TRect r) {
  FillBorderStrips(canvas, r);
  if (DockControl() && DockControl()->AutoHide()) {
    DrawColorEdge(canvas, r, 16, 4, GetColor());
    DrawColorEdge(canvas, r, 32, 2, GetColor());
  }
}

void TdxDockControlNETPainter::DrawCaption(TCanvas* canvas, TRect r, bool active) {
  FillRect(canvas, r, GetCaptionColor(active));
  if (active || r.IsEmpty()) return;
  // A frame in the dark tone, its four corner pixels left out.
  SignPen(canvas, DarkColor(GetCaptionColor(false)));
  Line(canvas, r.Left + 1, r.Top, r.Right - 1, r.Top);
  Line(canvas, r.Left + 1, r.Bottom - 1, r.Right - 1, r.Bottom - 1);
  Line(canvas, r.Left, r.Top + 1, r.Left, r.Bottom - 1);
  Line(canvas, r.Right - 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
}

void TdxDockControlNETPainter::DrawCaptionText(TCanvas* canvas, TRect r, bool active) {
  if (!DockControl() || r.IsEmpty()) return;
  canvas->Font()->Assign(GetFont());
  canvas->Font()->SetColor(GetCaptionFontColor(active));
  DrawSingleLineText(canvas, DockControl()->Caption(), r);
}

void TdxDockControlNETPainter::DrawCaptionButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot) {
  TColor c = GetCaptionColor(active);
  if (down && hot) {
    DrawColorEdge(canvas, r, 16, 4, c);
    DrawColorEdge(canvas, r, 32, 5, c);
  } else if (hot) {
    DrawColorEdge(canvas, r, 16, 3, c);
    DrawColorEdge(canvas, r, 32, 2, c);
  }
}

void TdxDockControlNETPainter::DrawCaptionCloseButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot,
                                                      bool switched) {
  DrawCaptionButton(canvas, r, active, down, hot);
  SignPen(canvas, GetCaptionSignColor(active, down, hot));
  Line(canvas, r.Left + 3, r.Top + 3, r.Right - 2, r.Bottom - 2);
  Line(canvas, r.Right - 3, r.Top + 3, r.Left + 2, r.Bottom - 2);
}

void TdxDockControlNETPainter::DrawCaptionHideButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot,
                                                     bool switched) {
  DrawCaptionButton(canvas, r, active, down, hot);
  SignPen(canvas, GetCaptionSignColor(active, down, hot));
  if (switched) {
    canvas->Rectangle(r.Left + 3, r.Top + 3, r.Right - 2, r.Bottom - 4);
    Line(canvas, r.Left + 3, r.Top + 2, r.Left + 3, r.Bottom - 3);
    Line(canvas, r.Left + 3, r.Bottom - 6, r.Right - 3, r.Bottom - 6);
    Line(canvas, r.Left + 1, r.Top + 5, r.Left + 3, r.Top + 5);
  } else {
    canvas->Rectangle(r.Left + 4, r.Top + 2, r.Right - 3, r.Bottom - 3);
    Line(canvas, r.Left + 3, r.Bottom - 4, r.Right - 2, r.Bottom - 4);
    Line(canvas, r.Right - 5, r.Top + 2, r.Right - 5, r.Bottom - 3);
    Line(canvas, r.Left + 6, r.Bottom - 3, r.Left + 6, r.Bottom - 1);
  }
}

void TdxDockControlNETPainter::DrawCaptionMaximizeButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot,
                                                         bool switched) {
  DrawCaptionButton(canvas, r, active, down, hot);
  SignPen(canvas, GetCaptionSignColor(active, down, hot), (r.Right - r.Left) / 16 + 1);
  if (switched) {
    canvas->Rectangle(r.Left + 5, r.Top + 2, r.Right - 1, r.Bottom - 4);
    canvas->Rectangle(r.Left + 2, r.Top + 5, r.Right - 4, r.Bottom - 1);
  } else {
    canvas->Rectangle(r.Left + 3, r.Top + 3, r.Right - 2, r.Bottom - 2);
  }
  canvas->Pen()->SetWidth(1);
}

void TdxDockControlNETPainter::DrawTabs(TCanvas* canvas, TRect r, TRect activeTabRect,
                                        TdxTabContainerTabsPosition position) {
  TColor active = GetTabColor(true);
  FillRect(canvas, r, GetTabsColor());
  if (position == tctpTop) {
    DrawColorEdge(canvas, Rect(r.Left, r.Top, r.Right, activeTabRect.Bottom), 8, 5, active);
    FillRect(canvas, Rect(r.Left, activeTabRect.Bottom, r.Right, r.Bottom), active);
  } else {
    DrawColorEdge(canvas, Rect(r.Left, activeTabRect.Top, r.Right, r.Bottom), 2, 5, active);
    FillRect(canvas, Rect(r.Left, r.Top, r.Right, activeTabRect.Top), active);
  }
}

void TdxDockControlNETPainter::DrawTab(TCanvas* canvas, TdxCustomDockControl* control, TRect r, bool active,
                                       TdxTabContainerTabsPosition position) {
  if (active) {
    FillRect(canvas, r, GetColor());
    DrawColorEdge(canvas, r, position == tctpTop ? 20 : 33, 3, GetTabColor(true));
  } else {
    DrawColorEdge(canvas, Rect(r.Left - 1, r.Top + 3, r.Right + 1, r.Bottom - 3), 4, 2, GetTabColor(false));
  }
  DrawTabContent(canvas, control, r, active, position);
}

void TdxDockControlNETPainter::DrawTabsScrollButton(TCanvas* canvas, TRect r, bool down, bool hot, bool enabled,
                                                    TdxTabContainerTabsPosition position) {
  TColor c = GetTabsScrollButtonsColor();
  if (down && hot && enabled) {
    DrawColorEdge(canvas, r, 16, 5, c);
    DrawColorEdge(canvas, r, 32, 5, c);
  } else if (enabled && hot) {
    DrawColorEdge(canvas, r, 16, 3, c);
    DrawColorEdge(canvas, r, 32, 3, c);
  }
}

void TdxDockControlNETPainter::DrawScrollArrow(TCanvas* canvas, TRect r, bool right, bool enabled) {
  r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  TColor sign = GetTabsScrollButtonsSignColor(enabled);
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetColor(sign);
  canvas->Brush()->SetStyle(enabled ? bsSolid : bsClear);
  canvas->Brush()->SetColor(sign);
  canvas->Polygon(ScrollArrowPoints(r, right));
}

void TdxDockControlNETPainter::DrawTabsScrollRightButton(TCanvas* canvas, TRect r, bool down, bool hot, bool enabled,
                                                         TdxTabContainerTabsPosition position) {
  DrawTabsScrollButton(canvas, r, down, hot, enabled, position);
  DrawScrollArrow(canvas, r, true, enabled);
}

void TdxDockControlNETPainter::DrawTabsScrollLeftButton(TCanvas* canvas, TRect r, bool down, bool hot, bool enabled,
                                                        TdxTabContainerTabsPosition position) {
  DrawTabsScrollButton(canvas, r, down, hot, enabled, position);
  DrawScrollArrow(canvas, r, false, enabled);
}

TRect TdxDockControlNETPainter::HideBarEdgeStrip(TRect r, TdxAutoHidePosition position) {
  Integer w = GetHideBarVertInterval();
  switch (position) {
    case ahpLeft: return Rect(r.Left, r.Top, r.Left + w, r.Bottom);
    case ahpTop: return Rect(r.Left, r.Top, r.Right, r.Top + w);
    case ahpRight: return Rect(r.Right - w, r.Top, r.Right, r.Bottom);
    default: return Rect(r.Left, r.Bottom - w, r.Right, r.Bottom);
  }
}

void TdxDockControlNETPainter::DrawHideBar(TCanvas* canvas, TRect r, TdxAutoHidePosition position) {
  FillRect(canvas, r, GetHideBarColor());
  TRect strip = HideBarEdgeStrip(r, position);
  FillRect(canvas, strip, GetHideBarButtonColor());
  ExcludeClipRect(canvas->Handle(), strip.Left, strip.Top, strip.Right, strip.Bottom);
}

void TdxDockControlNETPainter::DrawHideBarButton(TCanvas* canvas, TdxCustomDockControl* control, TRect r,
                                                 TdxAutoHidePosition position) {
  static const Integer sides[] = {34, 33, 24, 20};
  FillRect(canvas, r, GetHideBarButtonColor());
  DrawColorEdge(canvas, r, sides[position], 1, GetHideBarButtonColor());
  DrawHideBarButtonContent(canvas, control, r, position);
}
