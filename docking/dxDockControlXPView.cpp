// The XP view: metrics and drawing through the visual-style theme classes Button,
// ExplorerBar, ScrollBar, Tab, ToolBar and Window; the standard view wherever the class an
// operation needs cannot be opened.
#include "docking/dxDockControlXPView.h"

#include <algorithm>

#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "user/Windows.h"
#include "vcl/ImgList.h"

KORVAN_IMPLEMENT_CLASS(TdxDockControlXPPainter)

namespace {
constexpr int TP_BUTTON = 1, TS_HOT = 2;
constexpr int EBP_HEADERPIN = 3, EBP_NORMALGROUPBACKGROUND = 5;
constexpr int TABP_TOPTABITEM = 5, TABP_PANE = 9, TABP_BODY = 10;
constexpr int BP_GROUPBOX = 4;
constexpr int WP_MAXBUTTON = 17, WP_SMALLCLOSEBUTTON = 19, WP_RESTOREBUTTON = 21;
constexpr int SBP_ARROWBTN = 1;

HTHEME Theme(TdxThemeClass c) { return OpenThemeCached(c); }

void Background(HTHEME theme, TCanvas* canvas, int part, int state, const TRect& r) {
  UxDrawThemeBackground(theme, canvas->Handle(), part, state, r, r);
}

int ButtonState(bool down, bool hot) { return down && hot ? 3 : hot ? 2 : 1; }

// A themed part drawn on a bitmap of size w x h, turned, and copied to r opaque.
void DrawTurnedPart(HTHEME theme, TCanvas* canvas, int part, int state, Integer w, Integer h, Integer direction,
                    const TRect& r, bool stretch = false) {
  TBitmap b;
  b.SetPixelFormat(pf32bit);
  b.SetSize(w, h);
  UxDrawThemeBackground(theme, b.Canvas()->Handle(), part, state, Rect(0, 0, w, h), Rect(0, 0, w, h));
  for (Integer y = 0; y < h; ++y) {
    auto* line = static_cast<uint32_t*>(b.ScanLine(y));
    for (Integer x = 0; x < w; ++x) line[x] |= 0xFF000000u;
  }
  if (direction) TdxDockControlPainter::RotateBitmap(&b, direction);
  if (stretch)
    canvas->StretchDraw(r, &b);
  else
    canvas->Draw(r.Left, r.Top, &b);
}
}  // namespace

bool TdxDockControlXPPainter::CanVerticalCaption() {
  return Theme(tcTab) ? false : TdxDockControlPainter::CanVerticalCaption();
}

Integer TdxDockControlXPPainter::GetCaptionButtonSize() {
  return Theme(tcTab) ? 14 : TdxDockControlPainter::GetCaptionButtonSize();
}

Integer TdxDockControlXPPainter::GetCaptionHeight() {
  return Theme(tcTab) ? std::max(FontSize() + 14, GetImageHeight() + 4) : TdxDockControlPainter::GetCaptionHeight();
}

void TdxDockControlXPPainter::DrawBorder(TCanvas* canvas, TRect r) {
  if (HTHEME t = Theme(tcToolBar))
    Background(t, canvas, TP_BUTTON, TS_HOT, r);
  else
    TdxDockControlPainter::DrawBorder(canvas, r);
}

void TdxDockControlXPPainter::DrawCaption(TCanvas* canvas, TRect r, bool active) {
  HTHEME back = active ? Theme(tcExplorerBar) : Theme(tcTab);
  HTHEME button = Theme(tcButton);
  if (!back || !button) {
    TdxDockControlPainter::DrawCaption(canvas, r, active);
    return;
  }
  HDC dc = canvas->Handle();
  if (active) {
    // The rounded group background without its four 2 x 2 corners.
    HRGN saved = CreateRectRgn(0, 0, 0, 0);
    bool hadClip = GetClipRgn(dc, saved) == 1;
    ExcludeClipRect(dc, r.Left, r.Top, r.Left + 2, r.Top + 2);
    ExcludeClipRect(dc, r.Right - 2, r.Top, r.Right, r.Top + 2);
    ExcludeClipRect(dc, r.Left, r.Bottom - 2, r.Left + 2, r.Bottom);
    ExcludeClipRect(dc, r.Right - 2, r.Bottom - 2, r.Right, r.Bottom);
    Background(back, canvas, EBP_NORMALGROUPBACKGROUND, 1, r);
    SelectClipRgn(dc, hadClip ? saved : nullptr);
    DeleteObject(saved);
  } else {
    Background(back, canvas, TABP_BODY, 1, r);
  }
  Background(button, canvas, BP_GROUPBOX, 1, r);
}

void TdxDockControlXPPainter::DrawCaptionSeparator(TCanvas* canvas, TRect r) {
  if (HTHEME t = Theme(tcTab))
    Background(t, canvas, TABP_BODY, 1, r);
  else
    TdxDockControlPainter::DrawCaptionSeparator(canvas, r);
}

void TdxDockControlXPPainter::DrawCaptionText(TCanvas* canvas, TRect r, bool active) {
  if (!Theme(tcTab) || !DockControl()) {
    TdxDockControlPainter::DrawCaptionText(canvas, r, active);
    return;
  }
  Integer gap = 2 * GetCaptionSpacing();
  r.Left += gap;
  Integer index = DockControl()->ImageIndex();
  if (IsValidImageIndex(index)) {
    Integer top = r.Top + (r.Height() - GetImageHeight()) / 2;
    TRect image = Rect(r.Left, top, r.Left + GetImageWidth(), top + GetImageHeight());
    if (RectInRect(image, r)) {
      DrawImage(canvas, Images(), image, index);
      r.Left = image.Right + gap;
    }
  }
  canvas->Font()->Assign(GetFont());
  canvas->Font()->SetColor(clBlack);
  DrawSingleLineText(canvas, DockControl()->Caption(), r);
}

void TdxDockControlXPPainter::DrawCaptionCloseButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot,
                                                     bool switched) {
  if (HTHEME t = Theme(tcWindow))
    Background(t, canvas, WP_SMALLCLOSEBUTTON, ButtonState(down, hot), r);
  else
    TdxDockControlPainter::DrawCaptionCloseButton(canvas, r, active, down, hot, switched);
}

void TdxDockControlXPPainter::DrawCaptionHideButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot,
                                                    bool switched) {
  HTHEME t = Theme(tcExplorerBar);
  if (!t) {
    TdxDockControlPainter::DrawCaptionHideButton(canvas, r, active, down, hot, switched);
    return;
  }
  DrawTurnedPart(t, canvas, EBP_HEADERPIN, ButtonState(down, hot), 16, 16, switched ? 0 : 1,
                 Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1), true);
}

void TdxDockControlXPPainter::DrawCaptionMaximizeButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot,
                                                        bool switched) {
  if (HTHEME t = Theme(tcWindow))
    Background(t, canvas, switched ? WP_RESTOREBUTTON : WP_MAXBUTTON, ButtonState(down, hot), r);
  else
    TdxDockControlPainter::DrawCaptionMaximizeButton(canvas, r, active, down, hot, switched);
}

void TdxDockControlXPPainter::DrawClient(TCanvas* canvas, TRect r) {
  if (HTHEME t = Theme(tcTab))
    Background(t, canvas, TABP_BODY, 1, r);
  else
    TdxDockControlPainter::DrawClient(canvas, r);
}

void TdxDockControlXPPainter::DrawTabs(TCanvas* canvas, TRect r, TRect activeTabRect,
                                       TdxTabContainerTabsPosition position) {
  HTHEME t = Theme(tcTab);
  if (!t) {
    TdxDockControlPainter::DrawTabs(canvas, r, activeTabRect, position);
    return;
  }
  Background(t, canvas, TABP_BODY, 1, r);
  TRect pane = Rect(r.Left, r.Top, r.Right + 2, r.Bottom);
  if (position == tctpBottom)
    pane.Bottom = activeTabRect.Top + 4;
  else
    pane.Top = activeTabRect.Bottom - 2;
  Background(t, canvas, TABP_PANE, 1, pane);
  if (position == tctpBottom)
    pane.Bottom = activeTabRect.Top - 1;
  else
    pane.Top = activeTabRect.Bottom + 1;
  Background(t, canvas, TABP_BODY, 1, pane);
}

void TdxDockControlXPPainter::DrawTab(TCanvas* canvas, TdxCustomDockControl* control, TRect r, bool active,
                                      TdxTabContainerTabsPosition position) {
  HTHEME t = Theme(tcTab);
  if (!t) {
    TdxDockControlPainter::DrawTab(canvas, control, r, active, position);
    return;
  }
  TRect item = r;
  if (!active) (position == tctpTop ? item.Bottom : item.Top) += position == tctpTop ? -2 : 2;
  if (!item.IsEmpty())
    DrawTurnedPart(t, canvas, TABP_TOPTABITEM, active ? 3 : 1, item.Width(), item.Height(),
                   position == tctpBottom ? 3 : 0, item);
  TdxDockControlPainter::DrawTabContent(canvas, control, r, active, position);
}

void TdxDockControlXPPainter::DrawTabsScrollRightButton(TCanvas* canvas, TRect r, bool down, bool hot, bool enabled,
                                                        TdxTabContainerTabsPosition position) {
  if (HTHEME t = Theme(tcScrollBar))
    Background(t, canvas, SBP_ARROWBTN, !enabled ? 16 : down && hot ? 15 : hot ? 14 : 13, r);
  else
    TdxDockControlPainter::DrawTabsScrollRightButton(canvas, r, down, hot, enabled, position);
}

void TdxDockControlXPPainter::DrawTabsScrollLeftButton(TCanvas* canvas, TRect r, bool down, bool hot, bool enabled,
                                                       TdxTabContainerTabsPosition position) {
  if (HTHEME t = Theme(tcScrollBar))
    Background(t, canvas, SBP_ARROWBTN, !enabled ? 12 : down && hot ? 11 : hot ? 10 : 9, r);
  else
    TdxDockControlPainter::DrawTabsScrollLeftButton(canvas, r, down, hot, enabled, position);
}

void TdxDockControlXPPainter::DrawHideBar(TCanvas* canvas, TRect r, TdxAutoHidePosition position) {
  if (HTHEME t = Theme(tcTab))
    Background(t, canvas, TABP_BODY, 1, r);
  else
    TdxDockControlPainter::DrawHideBar(canvas, r, position);
}

void TdxDockControlXPPainter::DrawHideBarButton(TCanvas* canvas, TdxCustomDockControl* control, TRect r,
                                                TdxAutoHidePosition position) {
  HTHEME t = Theme(tcTab);
  if (!t || r.IsEmpty()) {
    TdxDockControlPainter::DrawHideBarButton(canvas, control, r, position);
    return;
  }
  bool side = position == ahpLeft || position == ahpRight;
  static const Integer turn[] = {2, 3, 1, 0};
  DrawTurnedPart(t, canvas, TABP_TOPTABITEM, 1, side ? r.Height() : r.Width(), side ? r.Width() : r.Height(),
                 turn[position], r);
  DrawHideBarButtonContent(canvas, control, r, position);
}
