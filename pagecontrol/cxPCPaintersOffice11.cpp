// The Office11 painter, the page control's Office11 colours and the palette notifier.
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/dxOffice11.h"
#include "pagecontrol/cxPCPainters.h"

namespace {

TcxPCOffice11Colors gColors{};

class TcxPCOffice11PainterMeta : public TcxPCPainterMeta {
 public:
  const char* ClassName() const override { return "TcxPCOffice11Painter"; }
  TcxPCCustomPainter* Create(TcxCustomTabControl* control) const override { return new TcxPCOffice11Painter(control); }
  TcxPCStyleID GetStyleID() const override { return 8; }
  String GetStyleName() const override { return "Office11"; }
  bool IsDefaultForLookAndFeel(TcxLookAndFeel* lookAndFeel) const override {
    TcxCustomLookAndFeelPainterClass p = lookAndFeel ? lookAndFeel->EffectivePainter() : nullptr;
    return p && p->PainterStyle() == lfsOffice11;
  }
};

// The named schemes (blue, olive, silver); scheme 0 is derived from the system colours.
const TcxPCOffice11Colors kSchemes[3] = {
    {TColor(RGB(227, 239, 255)), TColor(RGB(175, 210, 255)), TColor(RGB(255, 255, 255)),
     TColor(RGB(204, 225, 252)), TColor(RGB(59, 97, 156)), TColor(RGB(106, 140, 203))},
    {TColor(RGB(244, 247, 222)), TColor(RGB(209, 222, 173)), TColor(RGB(255, 255, 255)),
     TColor(RGB(236, 236, 207)), TColor(RGB(96, 128, 88)), TColor(RGB(96, 128, 88))},
    {TColor(RGB(243, 244, 250)), TColor(RGB(189, 189, 211)), TColor(RGB(255, 255, 255)),
     TColor(RGB(227, 227, 239)), TColor(RGB(124, 124, 148)), TColor(RGB(110, 109, 143))},
};

}  // namespace

const TcxPCOffice11Colors& cxPCOffice11Colors() {
  if (gColors.Border == 0 && gColors.BackgroundLight == 0) cxPCCopyOffice11Colors(Office11SchemeIndex());
  return gColors;
}

void cxPCCopyOffice11Colors(Integer index) {
  if (index >= 1 && index <= 3) {
    gColors = kSchemes[index - 1];
    return;
  }
  ComputeOffice11Colors();
  auto rgb = [](TColor c) { return TColor(ColorToRGB(c)); };
  gColors = {rgb(Office11LightFaceColor), rgb(Office11DarkFaceColor), rgb(clWindow),
             rgb(Office11LightFaceColor), rgb(clBtnShadow),           rgb(Office11DarkFaceColor)};
}

KORVAN_IMPLEMENT_CLASS(TcxPaletteChangedNotifier)

TcxPaletteChangedNotifier::TcxPaletteChangedNotifier() : TcxSystemPaletteChangedNotifier(false) {
  OnPaletteChanged = [] { cxPCCopyOffice11Colors(Office11SchemeIndex()); };
}

// ---- the Office11 painter ------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxPCOffice11Painter)

TcxPCPainterClass TcxPCOffice11Painter::Class() {
  static const TcxPCOffice11PainterMeta meta;
  return &meta;
}

void TcxPCOffice11Painter::GetSeparatorInsets(Integer& start, Integer& end) {
  TcxTabPosition tp = ParentInfo()->TabPosition();
  if (tp == tpBottom || tp == tpRight) {
    start = 3;
    end = -1;
  } else {
    start = 0;
    end = 2;
  }
}

bool TcxPCOffice11Painter::NeedsRedrawOnResize() {
  TcxPCOptions o = ParentInfo()->Options();
  return o.Contains(pcoGradient) && o.Contains(pcoGradientClientArea);
}

TRect TcxPCOffice11Painter::GetPageClientRect() {
  TRect r = TcxPCUltraFlatPainter::GetPageClientRect();
  if (ParentInfo()->TabAreasOnBothSides() && !HasFrame()) --r.Bottom;
  return r;
}

void TcxPCOffice11Painter::FillWithPair(TcxCanvas* canvas, const TRect& r, TColor light, TColor dark) {
  if (r.IsEmpty()) return;
  if (!ParentInfo()->Options().Contains(pcoGradient)) {
    canvas->FillRectColor(r, MixColorsByPercent(light, dark, 50));
    return;
  }
  FillGradientRect(canvas->DeviceContext(), r, light, dark, IsVerticalStrip());
}

void TcxPCOffice11Painter::PaintPageClientArea(TcxCanvas* canvas, const TRect& r) {
  TWinControl* page = ParentInfo()->PageOfMainTab();
  auto* control = dynamic_cast<TControl*>(page);
  if (control && !control->ParentColor()) {
    canvas->FillRectColor(r, ParentInfo()->PageColor(page));
    return;
  }
  const TcxPCOffice11Colors& c = cxPCOffice11Colors();
  TcxPCOptions o = ParentInfo()->Options();
  if (o.Contains(pcoGradient) && o.Contains(pcoGradientClientArea))
    FillGradientRect(canvas->DeviceContext(), r, c.BackgroundLight, c.BackgroundDark, IsVerticalStrip());
  else
    canvas->FillRectColor(r, MixColorsByPercent(c.BackgroundLight, c.BackgroundDark, 50));
}

void TcxPCOffice11Painter::FillTabBackground(TcxCanvas* canvas, Integer visibleIndex, const TRect& r) {
  const TcxPCOffice11Colors& c = cxPCOffice11Colors();
  if (visibleIndex < 0) {
    FillWithPair(canvas, r, c.BackgroundLight, c.BackgroundDark);
    return;
  }
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  TColor own = GetTabColor(visibleIndex);
  if (tab->Highlighted() || own != clDefault) {
    // A tab with its own colour: filled plainly and outlined in the background pair.
    canvas->FillRectColor(r, GetTabBackgroundColor(visibleIndex));
    if (visibleIndex != ParentInfo()->MainTabVisibleIndex())
      canvas->DrawTwoColorFrame(r, c.BackgroundLight, c.BackgroundDark);
    return;
  }
  if (visibleIndex == ParentInfo()->MainTabVisibleIndex())
    FillWithPair(canvas, r, c.MainTabLight, c.MainTabDark);
  else
    FillWithPair(canvas, r, c.BackgroundLight, c.BackgroundDark);
}

void TcxPCOffice11Painter::PaintTabBackgroundToBitmap(TcxCanvas* canvas, Integer visibleIndex, const TRect& r) {
  // Captions and rotated images lie on the tab's own fill: the tab's gradient is drawn into the
  // bitmap at the place the bitmap takes on the tab, in the bitmap's (unrotated) axes.
  const TcxPCOffice11Colors& c = cxPCOffice11Colors();
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  if (tab->Highlighted() || GetTabColor(visibleIndex) != clDefault || r.IsEmpty()) return;
  bool main = visibleIndex == ParentInfo()->MainTabVisibleIndex();
  TColor light = main ? c.MainTabLight : c.BackgroundLight, dark = main ? c.MainTabDark : c.BackgroundDark;
  if (!ParentInfo()->Options().Contains(pcoGradient)) {
    canvas->FillRectColor(r, MixColorsByPercent(light, dark, 50));
    return;
  }
  TRect full = tab->FullRect(), text = ImageAndTextInfo().TextRect;
  HDC dc = canvas->DeviceContext();
  if (!IsVerticalText()) {
    FillGradientRect(dc, ShiftedRect(full, -text.Left, -text.Top), light, dark, IsVerticalStrip());
    return;
  }
  bool topToBottom = IsTopToBottomText();
  if (IsVerticalStrip()) {
    // Across the strip (client x) runs along the bitmap's y.
    Integer y0 = topToBottom ? -(full.Right - text.Right) : -(text.Left - full.Left);
    TRect g(r.Left, y0, r.Right, y0 + full.Width());
    FillGradientRect(dc, g, topToBottom ? dark : light, topToBottom ? light : dark, false);
  } else {
    // Client y runs along the bitmap's x.
    Integer x0 = topToBottom ? -(text.Top - full.Top) : -(full.Bottom - text.Bottom);
    TRect g(x0, r.Top, x0 + full.Height(), r.Bottom);
    FillGradientRect(dc, g, topToBottom ? light : dark, topToBottom ? dark : light, true);
  }
}

void TcxPCOffice11Painter::PaintMainTabOutline(TcxCanvas* canvas, Integer visibleIndex, const TRect& r) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  canvas->DrawFrameSides(r, cxPCOffice11Colors().Border, 1, TcxBorders(cxBordersAll) - [&] {
    switch (cxPCTabSide(Control(), tab)) {
      case tpTop: return TcxBorders{bBottom};
      case tpBottom: return TcxBorders{bTop};
      case tpLeft: return TcxBorders{bRight};
      default: return TcxBorders{bLeft};
    }
  }(), true);
}

void TcxPCOffice11Painter::PaintTabSeparator(TcxCanvas* canvas, Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  Integer start, end;
  GetSeparatorInsets(start, end);
  bool reversed = Control()->IsTabsReversed();
  Integer along = reversed ? tab->LayoutOrigin.X - 2 : tab->LayoutOrigin.X + tab->Length();
  TRect area = tab->OnStartSide() ? ParentInfo()->StartTabArea() : ParentInfo()->EndTabArea();
  const TcxPCOffice11Colors& c = cxPCOffice11Colors();
  // The dark line, then the light one a pixel further along and across.
  for (Integer i = 0; i < 2; ++i) {
    TRect r = StripRect(along + i, tab->LayoutOrigin.Y + start + i, along + i + 1,
                        tab->LayoutOrigin.Y + tab->Thickness() - end + i);
    IntersectRectsOrEmpty(r, r, area);
    if (r.IsEmpty()) continue;
    canvas->FillRectColor(r, i == 0 ? c.Separator : clWhite);
    canvas->ExcludeFromClip(r);
  }
}

void TcxPCOffice11Painter::PaintRowLines(TcxCanvas* canvas, const TRect& band, bool, bool startSide) {
  canvas->FillRectColor(RowLine(band, startSide, 0), cxPCOffice11Colors().Border);
}

void TcxPCOffice11Painter::PaintButtonBackground(TcxCanvas* canvas, TcxPCNavigatorButton button, TRect& r) {
  const TcxPCOffice11Colors& c = cxPCOffice11Colors();
  switch (ParentInfo()->NavigatorButtonState(button)) {
    case nbsHotTrack: FillWithPair(canvas, r, c.MainTabLight, c.MainTabDark); break;
    case nbsPressed:
      FillWithPair(canvas, r, ColorToRGB(Office11PressedFaceColor), ColorToRGB(Office11PressedFaceDarkColor));
      break;
    default: FillTabBackground(canvas, -1, r); break;
  }
}

void TcxPCOffice11Painter::PaintButtonFrame(TcxCanvas* canvas, TcxPCNavigatorButton button, TRect& r) {
  bool disabled = ParentInfo()->NavigatorButtonState(button) == nbsDisabled || !ParentInfo()->Enabled();
  canvas->DrawFrameSides(r, disabled ? ColorToRGB(Office11DisabledGlyphColor) : cxPCOffice11Colors().Border, 1);
  r = GrowRect(r, -1, -1);
}

TColor TcxPCOffice11Painter::GetButtonGlyphColor(TcxPCNavigatorButton button) {
  bool disabled = ParentInfo()->NavigatorButtonState(button) == nbsDisabled || !ParentInfo()->Enabled();
  return disabled ? ColorToRGB(Office11DisabledGlyphColor) : ColorToRGB(Office11TextColor);
}

void TcxPCOffice11Painter::PaintButtonGlyph(TcxCanvas* canvas, TcxPCNavigatorButton button, const TRect& r) {
  TColor glyph = GetButtonGlyphColor(button);
  DrawGlyph(canvas, button, r, glyph, glyph);
}
