// The standard view's drawing: borders, captions and their buttons, tabs and tab scroll
// buttons, hide bars and their buttons; the colour shades, edge lines, image placement and
// bitmap turning that every view shares.
#include <algorithm>
#include <cmath>

#include "docking/dxDockControl.h"
#include "rtl/SysUtils.h"
#include "user/Windows.h"
#include "vcl/ImgList.h"

namespace {
Integer Channel(TColor c, int shift) { return Integer((ColorToRGB(c) >> shift) & 0xFF); }

TColor MakeColor(long r, long g, long b) {
  auto clamp = [](long v) { return BYTE(std::clamp<long>(v, 0, 255)); };
  return TColor(RGB(clamp(r), clamp(g), clamp(b)));
}

// The image sections of a tab container's hide-bar button, on side bars downwards and on
// the top and bottom bars rightwards.
TRect SectionAt(const TRect& r, bool vertical, bool atStart, Integer length) {
  if (vertical)
    return atStart ? Rect(r.Left, r.Top, r.Right, r.Top + length) : Rect(r.Left, r.Bottom - length, r.Right, r.Bottom);
  return atStart ? Rect(r.Left, r.Top, r.Left + length, r.Bottom) : Rect(r.Right - length, r.Top, r.Right, r.Bottom);
}
}  // namespace

// ---- shades, edges and bitmaps -------------------------------------------------------------

TColor TdxDockControlPainter::DarkenColor(TColor c, Integer percent) {
  auto f = [&](int shift) { return std::lround(Channel(c, shift) * percent / 100.0); };
  return MakeColor(f(0), f(8), f(16));
}

TColor TdxDockControlPainter::LightenColor(TColor c, Integer percent) {
  long add = std::lround(255 - 255 * percent / 100.0);
  auto f = [&](int shift) { return std::lround(Channel(c, shift) * percent / 100.0) + add; };
  return MakeColor(f(0), f(8), f(16));
}

void TdxDockControlPainter::DrawColorEdge(TCanvas* canvas, TRect r, Integer sides, Integer style, TColor color) {
  TColor a = color, b = color;
  switch (style) {
    case 1: a = b = DarkColor(color); break;
    case 2: a = LightColor(color), b = DarkColor(color); break;
    case 3: a = LightLightColor(color), b = DarkDarkColor(color); break;
    case 4: a = DarkColor(color), b = LightColor(color); break;
    case 5: a = DarkDarkColor(color), b = LightLightColor(color); break;
    default: break;
  }
  bool all = sides & 64;
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetWidth(1);
  if (all || (sides & (1 | 16))) {
    canvas->Pen()->SetColor(a);
    canvas->MoveTo(r.Left, r.Bottom - 1);
    canvas->LineTo(r.Left, r.Top - 1);
  }
  if (all || (sides & (2 | 16))) {
    canvas->Pen()->SetColor(a);
    canvas->MoveTo(r.Left, r.Top);
    canvas->LineTo(r.Right, r.Top);
  }
  if (all || (sides & (4 | 32))) {
    canvas->Pen()->SetColor(b);
    canvas->MoveTo(r.Right - 1, r.Top);
    canvas->LineTo(r.Right - 1, r.Bottom);
  }
  if (all || (sides & (8 | 32))) {
    canvas->Pen()->SetColor(b);
    canvas->MoveTo(r.Right - 1, r.Bottom - 1);
    canvas->LineTo(r.Left - 1, r.Bottom - 1);
  }
}

void TdxDockControlPainter::RotateBitmap(TBitmap* bitmap, Integer direction) {
  Integer w = bitmap->Width(), h = bitmap->Height();
  if (w <= 0 || h <= 0) return;
  bitmap->SetPixelFormat(pf32bit);
  std::vector<uint32_t> src(size_t(w) * size_t(h));
  for (Integer y = 0; y < h; ++y) {
    auto* line = static_cast<uint32_t*>(bitmap->ScanLine(y));
    std::copy(line, line + w, src.begin() + y * w);
  }
  Integer nw = direction == 3 ? w : h, nh = direction == 3 ? h : w;
  if (nw != w || nh != h) bitmap->SetSize(nw, nh);
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) {
      Integer tx, ty;
      switch (direction) {
        case 1: tx = y, ty = w - 1 - x; break;       // a quarter counter-clockwise
        case 2: tx = h - 1 - y, ty = x; break;       // a quarter clockwise
        default: tx = w - 1 - x, ty = h - 1 - y; break;  // a half turn
      }
      static_cast<uint32_t*>(bitmap->ScanLine(ty))[tx] = src[size_t(y * w + x)];
    }
}

std::vector<TPoint> TdxDockControlPainter::ScrollArrowPoints(const TRect& r, bool right) {
  if (right) return {TPoint(r.Left + 4, r.Top + 2), TPoint(r.Left + 4, r.Bottom - 4), TPoint(r.Right - 6, r.Top + 6)};
  return {TPoint(r.Right - 6, r.Top + 2), TPoint(r.Right - 6, r.Bottom - 4), TPoint(r.Left + 4, r.Top + 6)};
}

bool TdxDockControlPainter::RectInRect(const TRect& inner, const TRect& outer) {
  return outer.Contains(TPoint(inner.Left, inner.Top)) && outer.Contains(TPoint(inner.Right, inner.Bottom));
}

void TdxDockControlPainter::FillRect(TCanvas* canvas, const TRect& r, TColor color) {
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(color);
  canvas->FillRect(r);
}

void TdxDockControlPainter::DrawSingleLineText(TCanvas* canvas, const String& text, TRect r) {
  canvas->Brush()->SetStyle(bsClear);
  canvas->DrawText(text, r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_LEFT | DT_NOPREFIX);
}

// ---- images --------------------------------------------------------------------------------

TCustomImageList* TdxDockControlPainter::Images() {
  return owner_ ? DockingController()->Images(owner_->ParentForm()) : nullptr;
}
Integer TdxDockControlPainter::GetImageHeight() { return Images() ? Images()->Height() : 0; }
Integer TdxDockControlPainter::GetImageWidth() { return Images() ? Images()->Width() : 0; }
Integer TdxDockControlPainter::GetDefaultImageHeight() { return Images() ? Images()->Height() : 16; }
Integer TdxDockControlPainter::GetDefaultImageWidth() { return Images() ? Images()->Width() : 16; }

bool TdxDockControlPainter::IsValidImageIndex(Integer index) {
  TCustomImageList* images = Images();
  return images && index >= 0 && index < images->Count();
}

void TdxDockControlPainter::DrawImage(TCanvas* canvas, TCustomImageList* images, TRect r, Integer index) {
  if (images && index >= 0 && index < images->Count()) images->Draw(canvas, r.Left, r.Top, index, true);
}

// ---- colours -------------------------------------------------------------------------------

TColor TdxDockControlPainter::GetTabsScrollButtonsSignColor(bool enabled) {
  return enabled ? DarkDarkColor(GetColor()) : DarkColor(GetTabColor(true));
}

// ---- frame and caption ---------------------------------------------------------------------

void TdxDockControlPainter::FillBorderStrips(TCanvas* canvas, const TRect& r) {
  Integer bw = GetBorderWidth();
  TColor frame = GetFrameColor();
  FillRect(canvas, Rect(r.Left, r.Top, r.Left + bw, r.Bottom), frame);
  FillRect(canvas, Rect(r.Left, r.Bottom - bw, r.Right, r.Bottom), frame);
  FillRect(canvas, Rect(r.Right - bw, r.Top, r.Right, r.Bottom), frame);
  FillRect(canvas, Rect(r.Left, r.Top, r.Right, r.Top + bw), frame);
}

void TdxDockControlPainter::DrawBorder(TCanvas* canvas, TRect r) {
  FillBorderStrips(canvas, r);
  DrawColorEdge(canvas, r, 16, 3, GetColor());
  DrawColorEdge(canvas, r, 32, 2, GetColor());
}

void TdxDockControlPainter::DrawCaption(TCanvas* canvas, TRect r, bool active) {
  FillRect(canvas, r, GetCaptionColor(active));
}

void TdxDockControlPainter::DrawCaptionSeparator(TCanvas* canvas, TRect r) { FillRect(canvas, r, GetFrameColor()); }

void TdxDockControlPainter::DrawCaptionText(TCanvas* canvas, TRect r, bool active) {
  if (r.IsEmpty()) return;
  TColor c = GetCaptionColor(active);
  bool vertical = owner_ && owner_->IsCaptionVertical();
  TRect bars[2];
  if (vertical) {
    Integer m = r.Left + (r.Right - r.Left) / 2;
    bars[0] = Rect(m - 4, r.Top, m - 1, r.Bottom);
    bars[1] = Rect(m, r.Top, m + 3, r.Bottom);
  } else {
    Integer m = r.Top + (r.Bottom - r.Top) / 2;
    bars[0] = Rect(r.Left, m - 4, r.Right, m - 1);
    bars[1] = Rect(r.Left, m, r.Right, m + 3);
  }
  for (const TRect& b : bars) {
    DrawColorEdge(canvas, b, 16, 3, c);
    DrawColorEdge(canvas, b, 32, 2, c);
  }
}

void TdxDockControlPainter::DrawCaptionButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot) {
  TColor c = GetCaptionColor(active);
  if (down && hot) {
    DrawColorEdge(canvas, r, 64, 5, c);
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    DrawColorEdge(canvas, r, 16, 4, c);
  } else {
    DrawColorEdge(canvas, r, 64, 3, c);
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    DrawColorEdge(canvas, r, 32, 2, c);
  }
}

namespace {
// Pen (and brush) in the sign colour; the glyph box shifted by (1, 1) while pressed.
TRect PrepareGlyph(TCanvas* canvas, TRect r, TColor sign, bool shift) {
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetColor(sign);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(sign);
  if (shift) r = Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
  return r;
}

void Line(TCanvas* canvas, Integer x1, Integer y1, Integer x2, Integer y2) {
  canvas->MoveTo(x1, y1);
  canvas->LineTo(x2, y2);
}

// The pin: lying with its needle to the left while auto-hidden, standing otherwise.
void FrameBox(TCanvas* canvas, Integer l, Integer t, Integer r, Integer b) {
  canvas->Brush()->SetStyle(bsClear);
  canvas->Rectangle(l, t, r, b);
}
}  // namespace

void TdxDockControlPainter::DrawCaptionCloseButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot,
                                                   bool switched) {
  DrawCaptionButton(canvas, r, active, down, hot);
  r = PrepareGlyph(canvas, r, GetCaptionSignColor(active, down, hot), down && hot);
  Line(canvas, r.Left + 2, r.Top + 2, r.Right - 3, r.Bottom - 3);
  Line(canvas, r.Right - 4, r.Top + 2, r.Left + 1, r.Bottom - 3);
}

void TdxDockControlPainter::DrawCaptionHideButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot,
                                                  bool switched) {
  DrawCaptionButton(canvas, r, active, down, hot);
  r = PrepareGlyph(canvas, r, GetCaptionSignColor(active, down, hot), down && hot);
  if (switched) {
    FrameBox(canvas, r.Left + 4, r.Top + 3, r.Right - 3, r.Bottom - 4);
    Line(canvas, r.Left + 4, r.Top + 2, r.Left + 4, r.Bottom - 3);
    Line(canvas, r.Left + 4, r.Bottom - 6, r.Right - 3, r.Bottom - 6);
    Line(canvas, r.Left + 2, r.Top + 5, r.Left + 4, r.Top + 5);
  } else {
    FrameBox(canvas, r.Left + 3, r.Top + 2, r.Right - 4, r.Bottom - 5);
    Line(canvas, r.Left + 2, r.Bottom - 6, r.Right - 3, r.Bottom - 6);
    Line(canvas, r.Right - 6, r.Top + 2, r.Right - 6, r.Bottom - 5);
    Line(canvas, r.Left + 5, r.Bottom - 5, r.Left + 5, r.Bottom - 3);
  }
}

void TdxDockControlPainter::DrawCaptionMaximizeButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot,
                                                      bool switched) {
  DrawCaptionButton(canvas, r, active, down, hot);
  r = PrepareGlyph(canvas, r, GetCaptionSignColor(active, down, hot), down && hot);
  bool vertical = owner_ && dynamic_cast<TdxVertContainerDockSite*>(owner_->SideContainer());
  TPoint apex(r.Left + 5, r.Top + 5);
  std::vector<TPoint> points;
  if (vertical)
    points = switched ? std::vector<TPoint>{apex, TPoint(r.Left + 2, r.Top + 2), TPoint(r.Right - 4, r.Top + 2)}
                      : std::vector<TPoint>{apex, TPoint(r.Left + 2, r.Bottom - 4), TPoint(r.Right - 4, r.Bottom - 4)};
  else
    points = switched ? std::vector<TPoint>{apex, TPoint(r.Left + 2, r.Top + 2), TPoint(r.Left + 2, r.Bottom - 4)}
                      : std::vector<TPoint>{apex, TPoint(r.Right - 4, r.Top + 2), TPoint(r.Right - 4, r.Bottom - 4)};
  canvas->Polygon(points);
}

void TdxDockControlPainter::DrawClient(TCanvas* canvas, TRect r) { FillRect(canvas, r, GetColor()); }

// ---- tabs ----------------------------------------------------------------------------------

void TdxDockControlPainter::DrawTabs(TCanvas* canvas, TRect r, TRect activeTabRect,
                                     TdxTabContainerTabsPosition position) {
  TColor c = GetTabColor(true);
  FillRect(canvas, r, GetTabsColor());
  if (position == tctpTop) {
    DrawColorEdge(canvas, Rect(r.Left, r.Top, r.Right, r.Bottom - 1), 8, 3, c);
    DrawColorEdge(canvas, Rect(r.Left, r.Top, r.Right, r.Bottom - 2), 8, 2, c);
    DrawColorEdge(canvas, Rect(r.Left, r.Top, r.Right, activeTabRect.Bottom), 8, 5, c);
  } else {
    DrawColorEdge(canvas, Rect(r.Left, r.Top + 1, r.Right, r.Bottom), 2, 3, c);
    DrawColorEdge(canvas, Rect(r.Left, activeTabRect.Top, r.Right, r.Bottom), 2, 5, c);
    DrawColorEdge(canvas, Rect(r.Left, activeTabRect.Top + 1, r.Right, r.Bottom), 2, 4, c);
  }
}

void TdxDockControlPainter::DrawTab(TCanvas* canvas, TdxCustomDockControl* control, TRect r, bool active,
                                    TdxTabContainerTabsPosition position) {
  TColor tc = GetTabColor(true);
  if (active) FillRect(canvas, r, tc);
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetWidth(1);
  Integer L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
  if (position == tctpTop) {
    canvas->Pen()->SetColor(LightLightColor(tc));
    canvas->Polyline({TPoint(L, B - 1), TPoint(L, T + 2), TPoint(L + 2, T), TPoint(R - 3, T), TPoint(R - 1, T + 2)});
    canvas->Pen()->SetColor(DarkDarkColor(tc));
    Line(canvas, R - 1, T + 2, R - 1, active ? B : B - 1);
    canvas->Pen()->SetColor(DarkColor(tc));
    Line(canvas, R - 2, T + 1, R - 2, active ? B : B - 1);
  } else {
    canvas->Pen()->SetColor(LightLightColor(tc));
    Line(canvas, L, active ? T : T + 2, L, B - 2);
    canvas->Pen()->SetColor(DarkDarkColor(tc));
    canvas->Polyline(
        {TPoint(L, B - 2), TPoint(L + 2, B), TPoint(R - 3, B), TPoint(R - 1, B - 2), TPoint(R - 1, active ? T - 1 : T + 1)});
    canvas->Pen()->SetColor(DarkColor(tc));
    canvas->Polyline({TPoint(L + 1, B - 2), TPoint(L + 2, B - 1), TPoint(R - 3, B - 1), TPoint(R - 2, B - 2),
                      TPoint(R - 2, active ? T - 1 : T + 1)});
  }
  DrawTabContent(canvas, control, r, active, position);
}

void TdxDockControlPainter::DrawTabContent(TCanvas* canvas, TdxCustomDockControl* control, TRect r, bool active,
                                           TdxTabContainerTabsPosition position) {
  Integer h = GetTabHorizOffset();
  r.Left += h;
  if (IsValidImageIndex(control->ImageIndex())) {
    Integer iw = GetImageWidth(), ih = GetImageHeight();
    Integer top = r.Top + (r.Height() - ih) / 2;
    TRect image = Rect(r.Left, top, r.Left + iw, top + ih);
    if (RectInRect(image, r)) DrawImage(canvas, Images(), image, control->ImageIndex());
    r.Left = image.Right + h;
  }
  canvas->Font()->Assign(GetTabFont(active));
  canvas->Font()->SetColor(GetTabFontColor(active));
  DrawSingleLineText(canvas, control->Caption(), r);
}

void TdxDockControlPainter::DrawTabsScrollButton(TCanvas* canvas, TRect r, bool down, bool hot, bool enabled,
                                                 TdxTabContainerTabsPosition position) {
  TColor c = GetTabsScrollButtonsColor();
  FillRect(canvas, r, c);
  if (down && hot && enabled) {
    DrawColorEdge(canvas, r, 64, 5, c);
    DrawColorEdge(canvas, Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1), 16, 4, c);
  } else {
    DrawColorEdge(canvas, r, 64, 3, c);
    DrawColorEdge(canvas, Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1), 32, 2, c);
  }
}

namespace {
void DrawArrow(TCanvas* canvas, TRect r, bool right, bool shift, TColor sign) {
  r = PrepareGlyph(canvas, Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1), sign, shift);
  canvas->Polygon(TdxDockControlPainter::ScrollArrowPoints(r, right));
}
}  // namespace

void TdxDockControlPainter::DrawTabsScrollRightButton(TCanvas* canvas, TRect r, bool down, bool hot, bool enabled,
                                                      TdxTabContainerTabsPosition position) {
  DrawTabsScrollButton(canvas, r, down, hot, enabled, position);
  DrawArrow(canvas, r, true, down && hot, GetTabsScrollButtonsSignColor(enabled));
}

void TdxDockControlPainter::DrawTabsScrollLeftButton(TCanvas* canvas, TRect r, bool down, bool hot, bool enabled,
                                                     TdxTabContainerTabsPosition position) {
  DrawTabsScrollButton(canvas, r, down, hot, enabled, position);
  DrawArrow(canvas, r, false, down && hot, GetTabsScrollButtonsSignColor(enabled));
}

// ---- hide bars -----------------------------------------------------------------------------

void TdxDockControlPainter::DrawHideBar(TCanvas* canvas, TRect r, TdxAutoHidePosition position) {
  FillRect(canvas, r, GetHideBarColor());
}

void TdxDockControlPainter::DrawHideBarButton(TCanvas* canvas, TdxCustomDockControl* control, TRect r,
                                              TdxAutoHidePosition position) {
  static const Integer s1[] = {2, 1, 16, 16}, s2[] = {32, 32, 8, 4};
  DrawColorEdge(canvas, r, s1[position], 3, GetHideBarButtonColor());
  DrawColorEdge(canvas, r, s2[position], 2, GetHideBarButtonColor());
  DrawHideBarButtonContent(canvas, control, r, position);
}

Integer TdxDockControlPainter::HideBarSectionLength(TdxAutoHidePosition position) {
  bool vertical = position == ahpLeft || position == ahpRight;
  return 2 * GetHideBarHorizInterval() + (vertical ? GetDefaultImageHeight() : GetDefaultImageWidth());
}

void TdxDockControlPainter::DrawHideBarButtonContent(TCanvas* canvas, TdxCustomDockControl* control, TRect r,
                                                     TdxAutoHidePosition position) {
  bool vertical = position == ahpLeft || position == ahpRight;
  Integer length = HideBarSectionLength(position);
  Integer separator = vertical ? 8 : 4;
  TdxCustomDockControl* shown = control;
  auto* tc = dynamic_cast<TdxTabContainerDockSite*>(control);
  bool separatorAfterActive = false;
  if (tc && tc->ActiveChild()) {
    shown = tc->ActiveChild();
    Integer a = shown->DockIndex();
    auto section = [&](TdxCustomDockControl* c, const TRect& s, bool followed) {
      if (IsValidImageIndex(c->ImageIndex()))
        DrawHideBarButtonImage(canvas, c, s);
      else
        DrawHideBarButtonText(canvas, c, s, position);
      if (followed) DrawColorEdge(canvas, s, separator, 2, GetHideBarButtonColor());
    };
    for (Integer i = 0; i < a; ++i) {
      if (!tc->IsValidChild(tc->Children(i))) continue;
      TRect s = SectionAt(r, vertical, true, length);
      (vertical ? r.Top : r.Left) += length;
      section(tc->Children(i), s, true);
    }
    for (Integer i = tc->ChildCount() - 1; i > a; --i) {
      if (!tc->IsValidChild(tc->Children(i))) continue;
      TRect s = SectionAt(r, vertical, false, length);
      (vertical ? r.Bottom : r.Right) -= length;
      section(tc->Children(i), s, tc->NextValidChildIndex(i) >= 0);
    }
    separatorAfterActive = tc->NextValidChildIndex(a) >= 0;
  }
  if (IsValidImageIndex(shown->ImageIndex())) {
    TRect s = SectionAt(r, vertical, true, length);
    (vertical ? r.Top : r.Left) += length;
    DrawHideBarButtonImage(canvas, shown, s);
  }
  DrawHideBarButtonText(canvas, shown, r, position);
  if (separatorAfterActive) DrawColorEdge(canvas, r, separator, 2, GetHideBarButtonColor());
}

void TdxDockControlPainter::DrawHideBarButtonImage(TCanvas* canvas, TdxCustomDockControl* control, TRect r) {
  if (!IsValidImageIndex(control->ImageIndex())) return;
  Integer iw = GetImageWidth(), ih = GetImageHeight();
  TRect image = Rect(r.Left + (r.Width() - iw) / 2, r.Top + (r.Height() - ih) / 2, 0, 0);
  DrawImage(canvas, Images(), image, control->ImageIndex());
}

void TdxDockControlPainter::DrawHideBarButtonText(TCanvas* canvas, TdxCustomDockControl* control, TRect r,
                                                  TdxAutoHidePosition position) {
  r = Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
  if (r.IsEmpty()) return;
  if (position == ahpTop || position == ahpBottom) {
    canvas->Font()->Assign(GetHideBarButtonFont());
    canvas->Font()->SetColor(GetHideBarButtonFontColor());
    DrawSingleLineText(canvas, control->Caption(), r);
    return;
  }
  // Side bars: the text is drawn across a bitmap of the exchanged size, then turned to read
  // from top to bottom.
  TBitmap b;
  b.SetPixelFormat(pf32bit);
  b.SetSize(r.Height(), r.Width());
  FillRect(b.Canvas(), Rect(0, 0, r.Height(), r.Width()), GetHideBarButtonColor());
  b.Canvas()->Font()->Assign(GetHideBarButtonFont());
  b.Canvas()->Font()->SetColor(GetHideBarButtonFontColor());
  DrawSingleLineText(b.Canvas(), control->Caption(), Rect(0, 0, r.Height(), r.Width()));
  // Opaque, since the canvas blends 32-bit bitmaps by their alpha.
  for (Integer y = 0; y < b.Height(); ++y) {
    auto* line = static_cast<uint32_t*>(b.ScanLine(y));
    for (Integer x = 0; x < b.Width(); ++x) line[x] |= 0xFF000000u;
  }
  RotateBitmap(&b, 2);
  canvas->Draw(r.Left, r.Top, &b);
}
