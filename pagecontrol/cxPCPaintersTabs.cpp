// The Tabs and Flat painters and the button painters (Buttons, FlatButtons).
#include <algorithm>
#include <cmath>

#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/dxThemeConsts.h"
#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "pagecontrol/cxPCPainters.h"

namespace {

TcxLookAndFeelStyle PainterStyleOf(TcxLookAndFeel* lookAndFeel) {
  TcxCustomLookAndFeelPainterClass p = lookAndFeel ? lookAndFeel->EffectivePainter() : nullptr;
  return p ? p->PainterStyle() : lfsStandard;
}

class TcxPCTabsPainterMeta : public TcxPCPainterMeta {
 public:
  const char* ClassName() const override { return "TcxPCTabsPainter"; }
  TcxPCCustomPainter* Create(TcxCustomTabControl* control) const override { return new TcxPCTabsPainter(control); }
  TcxPCStyleID GetStyleID() const override { return 1; }
  String GetStyleName() const override { return "Tabs"; }
  bool IsDefaultForLookAndFeel(TcxLookAndFeel* lookAndFeel) const override {
    TcxLookAndFeelStyle s = PainterStyleOf(lookAndFeel);
    return lookAndFeel && (s == lfsStandard || s == lfsNative);
  }
  bool IsNativeDefault(TcxLookAndFeel* lookAndFeel) const override {
    return lookAndFeel && lookAndFeel->NativeStyle();
  }
};

class TcxPCFlatPainterMeta : public TcxPCTabsPainterMeta {
 public:
  const char* ClassName() const override { return "TcxPCFlatPainter"; }
  TcxPCCustomPainter* Create(TcxCustomTabControl* control) const override { return new TcxPCFlatPainter(control); }
  TcxPCStyleID GetStyleID() const override { return 7; }
  String GetStyleName() const override { return "Flat"; }
  bool IsDefaultForLookAndFeel(TcxLookAndFeel* lookAndFeel) const override {
    return lookAndFeel && PainterStyleOf(lookAndFeel) == lfsFlat;
  }
};

class TcxPCButtonedPainterMeta : public TcxPCPainterMeta {
 public:
  bool IsTabAttachedToPage() const override { return false; }
  bool AllowMultiSelect() const override { return true; }
  bool IsButtonLikeTabs() const override { return true; }
};

class TcxPCButtonsPainterMeta : public TcxPCButtonedPainterMeta {
 public:
  const char* ClassName() const override { return "TcxPCButtonsPainter"; }
  TcxPCCustomPainter* Create(TcxCustomTabControl* control) const override { return new TcxPCButtonsPainter(control); }
  TTabStyle GetStandardStyle() const override { return tsButtons; }
  TcxPCStyleID GetStyleID() const override { return 2; }
  String GetStyleName() const override { return "Buttons"; }
};

class TcxPCFlatButtonsPainterMeta : public TcxPCButtonedPainterMeta {
 public:
  const char* ClassName() const override { return "TcxPCFlatButtonsPainter"; }
  TcxPCCustomPainter* Create(TcxCustomTabControl* control) const override {
    return new TcxPCFlatButtonsPainter(control);
  }
  TTabStyle GetStandardStyle() const override { return tsFlatButtons; }
  TcxPCStyleID GetStyleID() const override { return 3; }
  String GetStyleName() const override { return "FlatButtons"; }
};

// The three sides of a tab away from the page, for a tab on side `side`.
TcxBorders OuterSidesOf(TcxTabPosition side) {
  switch (side) {
    case tpTop: return {bLeft, bTop, bRight};
    case tpBottom: return {bLeft, bBottom, bRight};
    case tpLeft: return {bTop, bLeft, bBottom};
    default: return {bTop, bRight, bBottom};
  }
}

// A rectangle moved in by n on the given sides.
TRect Inset(const TRect& r, const TcxBorders& sides, Integer n) {
  TRect x = r;
  if (sides.Contains(bLeft)) x.Left += n;
  if (sides.Contains(bTop)) x.Top += n;
  if (sides.Contains(bRight)) x.Right -= n;
  if (sides.Contains(bBottom)) x.Bottom -= n;
  return x;
}

// The strip of width n along the page side of a tab on `side`.
TRect PageSideStrip(const TRect& r, TcxTabPosition side, Integer n) {
  switch (side) {
    case tpTop: return TRect(r.Left, r.Bottom - n, r.Right, r.Bottom);
    case tpBottom: return TRect(r.Left, r.Top, r.Right, r.Top + n);
    case tpLeft: return TRect(r.Right - n, r.Top, r.Right, r.Bottom);
    default: return TRect(r.Left, r.Top, r.Left + n, r.Bottom);
  }
}

}  // namespace

TcxTabPosition cxPCTabSide(TcxCustomTabControl* control, TcxTab* tab) {
  // The start side is the top (left for vertical strips) of the control.
  if (control->IsVerticalStrip()) return tab->OnStartSide() ? tpLeft : tpRight;
  return tab->OnStartSide() ? tpTop : tpBottom;
}

TColor cxPCLightenColor(TColor color, Integer percent) {
  TColor c = ColorToRGB(color);
  // Brightness is the largest channel; scaling all channels by one factor keeps hue and
  // saturation, capped where the largest channel reaches 255.
  Integer r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  Integer maxC = std::max({r, g, b});
  if (maxC == 0) return TColor(RGB(0, 0, 0));
  long double factor = std::min<long double>((100.0L + percent) / 100.0L, 255.0L / maxC);
  auto scale = [&](Integer v) { return Integer(std::min<long double>(255.0L, std::lround(v * factor))); };
  return TColor(RGB(scale(r), scale(g), scale(b)));
}

// ---- the Tabs painter ----------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxPCTabsPainter)

TcxPCPainterClass TcxPCTabsPainter::Class() {
  static const TcxPCTabsPainterMeta meta;
  return &meta;
}

TRect TcxPCTabsPainter::GetTabRectCorrection(Integer visibleIndex) {
  if (visibleIndex != ParentInfo()->MainTabVisibleIndex()) return TRect();
  switch (cxPCTabSide(Control(), ParentInfo()->VisibleTabs(visibleIndex))) {
    case tpTop: return TRect(-2, -2, 2, 1);
    case tpBottom: return TRect(-2, -1, 2, 2);
    case tpLeft: return TRect(-2, -2, 1, 2);
    default: return TRect(-1, -2, 2, 2);
  }
}

void TcxPCTabsPainter::GetImageOffsets(Integer visibleIndex, Integer o[4]) {
  TcxPCStandardPainter::GetImageOffsets(visibleIndex, o);
  Integer side = GetTabSideCode(visibleIndex);
  if (side == 5 || side == 7 || side == 10) ++o[3];
  // Natively the main tab's content sits one pixel lower on those sides.
  if ((side == 5 || side == 7 || side == 10) && visibleIndex == ParentInfo()->MainTabVisibleIndex() &&
      IsNativePainting()) {
    ++o[1];
    --o[3];
  }
}

void TcxPCTabsPainter::GetTextOffsets(Integer visibleIndex, Integer o[4]) {
  TcxPCStandardPainter::GetTextOffsets(visibleIndex, o);
  Integer side = GetTabSideCode(visibleIndex);
  bool main = visibleIndex == ParentInfo()->MainTabVisibleIndex();
  if (side == 5 || side == 7 || side == 10) ++o[3];
  if (main && !ParentInfo()->Images()->BaseImages()) o[0] += 2;
  if ((side == 5 || side == 7 || side == 10) && main && IsNativePainting()) {
    ++o[1];
    --o[3];
  }
}

TcxRegion* TcxPCTabsPainter::GetTabClipRegion(Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  TRect r = tab->VisibleRect();
  if (visibleIndex == ParentInfo()->MainTabVisibleIndex() && !r.IsEmpty()) {
    // One pixel further towards the page, over the page frame.
    switch (cxPCTabSide(Control(), tab)) {
      case tpTop: ++r.Bottom; break;
      case tpBottom: --r.Top; break;
      case tpLeft: ++r.Right; break;
      case tpRight: --r.Left; break;
    }
  }
  return new TcxRegion(r);
}

Integer TcxPCTabsPainter::GetTabClipMode(Integer visibleIndex) {
  return visibleIndex == ParentInfo()->MainTabVisibleIndex() ? roSet : roIntersect;
}

TRect TcxPCTabsPainter::GetPageFrameRect() {
  TRect r = TcxPCStandardPainter::GetPageFrameRect();
  TcxPCPainterParentInfo* info = ParentInfo();
  if (!info->HideTabs() && info->RowCount() > 0) {
    switch (info->TabPosition()) {
      case tpTop: --r.Top; break;
      case tpBottom: ++r.Bottom; break;
      case tpLeft: --r.Left; break;
      case tpRight: ++r.Right; break;
    }
  }
  return r;
}

Integer TcxPCTabsPainter::GetTextAreaHeight() {
  return TcxPCStandardPainter::GetTextAreaHeight() - 2 - (ParentInfo()->Rotate() ? 0 : 1);
}

void TcxPCTabsPainter::PaintTabs(TcxCanvas* canvas) {
  TcxCustomTabControl* c = Control();
  Integer main = ParentInfo()->MainTabVisibleIndex();
  if (c->VisibleTabCount() == 0 || c->RowCount() == 0) return;
  bool all = c->MultiLine() && c->RowCount() > 1;
  Integer first = all ? 0 : c->FirstVisibleTab();
  Integer last = all ? c->VisibleTabCount() - 1 : std::min(c->LastVisibleTab(), c->VisibleTabCount() - 1);
  if (first < 0) return;
  if (main >= first && main <= last) PaintTab(canvas, main);
  for (Integer i = first; i <= last; ++i)
    if (i != main) PaintTab(canvas, i);
}

bool TcxPCTabsPainter::InOutermostRow(Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  return tab->OnStartSide() ? tab->VisibleRow == 0 : tab->VisibleRow == ParentInfo()->RowCount() - 1;
}

void TcxPCTabsPainter::GetTabEdgeColors(Integer visibleIndex, TColor& startColor, TColor& endColor) {
  TColor own = ParentInfo()->Color();
  startColor = endColor = InOutermostRow(visibleIndex) ? own : clBtnFace;
  if (visibleIndex != ParentInfo()->MainTabVisibleIndex()) return;
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  auto sameRow = [&](Integer i) {
    return i >= 0 && i < ParentInfo()->VisibleTabCount() && ParentInfo()->VisibleTabs(i)->Row == tab->Row;
  };
  startColor = sameRow(visibleIndex - 1) ? clBtnFace : own;
  endColor = sameRow(visibleIndex + 1) ? clBtnFace : own;
}

void TcxPCTabsPainter::PaintTabEdges(TcxCanvas* canvas, Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  TRect r = tab->FullRect();
  TColor startColor, endColor;
  GetTabEdgeColors(visibleIndex, startColor, endColor);
  TRect strip = PageSideStrip(r, cxPCTabSide(Control(), tab), 1);
  // The first and last pixel of the page-side edge join the outline to the page frame.
  if (IsVerticalStrip()) {
    canvas->FillRectColor(TRect(strip.Left, strip.Top, strip.Right, strip.Top + 1), startColor);
    canvas->FillRectColor(TRect(strip.Left, strip.Bottom - 1, strip.Right, strip.Bottom), endColor);
  } else {
    canvas->FillRectColor(TRect(strip.Left, strip.Top, strip.Left + 1, strip.Bottom), startColor);
    canvas->FillRectColor(TRect(strip.Right - 1, strip.Top, strip.Right, strip.Bottom), endColor);
  }
}

void TcxPCTabsPainter::PaintTabBorder(TcxCanvas* canvas, Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  TcxTabPosition side = cxPCTabSide(Control(), tab);
  TcxBorders outer = OuterSidesOf(side);
  TRect r = tab->FullRect();
  canvas->DrawTwoColorFrame(r, clBtnHighlight, cl3DDkShadow, outer);
  canvas->DrawTwoColorFrame(Inset(r, outer, 1), cl3DLight, clBtnShadow, outer);
  // Corners cut by one pixel: the two outer corners take the control's colour.
  TColor bg = ParentInfo()->Color();
  switch (side) {
    case tpTop:
      canvas->PutPixel(r.Left, r.Top, bg);
      canvas->PutPixel(r.Right - 1, r.Top, bg);
      break;
    case tpBottom:
      canvas->PutPixel(r.Left, r.Bottom - 1, bg);
      canvas->PutPixel(r.Right - 1, r.Bottom - 1, bg);
      break;
    case tpLeft:
      canvas->PutPixel(r.Left, r.Top, bg);
      canvas->PutPixel(r.Left, r.Bottom - 1, bg);
      break;
    case tpRight:
      canvas->PutPixel(r.Right - 1, r.Top, bg);
      canvas->PutPixel(r.Right - 1, r.Bottom - 1, bg);
      break;
  }
  PaintTabEdges(canvas, visibleIndex);
}

void TcxPCTabsPainter::PaintTabFrame(TcxCanvas* canvas, Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  TcxTabPosition side = cxPCTabSide(Control(), tab);
  TRect r = tab->FullRect();
  bool main = visibleIndex == ParentInfo()->MainTabVisibleIndex();
  TRect inside = Inset(r, OuterSidesOf(side), 2);
  if (!main) {
    TRect strip = PageSideStrip(inside, side, 2);
    canvas->FillRectColor(strip, ParentInfo()->Color());
    canvas->ExcludeFromClip(strip);
  }
  canvas->FillRectColor(inside, GetTabBackgroundColor(visibleIndex));
  if (main && ParentInfo()->Focused() && tab->RealEnabled()) {
    canvas->CurrentFont()->SetColor(clBtnText);
    canvas->DrawFocusFrame(GrowRect(inside, -1, -1));
  }
  PaintTabBorder(canvas, visibleIndex);
}

void TcxPCTabsPainter::RepaintTab(Integer visibleIndex, TcxTabChangeKind kind) {
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxTab* tab = info->VisibleTabs(visibleIndex);
  tab->VerticalTextBitmap.reset();
  if (!Control()->HandleAllocated()) return;
  if (kind == tckMain && visibleIndex != info->MainTabVisibleIndex()) {
    InvalidateControlRect(Control(), tab->OnStartSide() ? info->StartTabArea() : info->EndTabArea(), false);
    return;
  }
  TRect r = tab->VisibleRect();
  if (r.IsEmpty()) return;
  switch (cxPCTabSide(Control(), tab)) {
    case tpTop: ++r.Bottom; break;
    case tpBottom: --r.Top; break;
    case tpLeft: ++r.Right; break;
    case tpRight: --r.Left; break;
  }
  InvalidateControlRect(Control(), r, false);
}

// ---- native drawing of the Tabs painter ----------------------------------------------------

bool TcxPCTabsPainter::IsNativePainting() {
  TcxCustomTabControl* c = Control();
  if (c->IsBeingDestroyed() || c->ComponentState().Contains(csDestroying)) return false;
  TcxLookAndFeel* lf = c->LookAndFeel();
  if (!lf || !lf->NativeStyle() || !AreThemesAvailable()) return false;
  return OpenThemeCached(tcTab) != 0;
}

void TcxPCTabsPainter::GetThemeTabPart(Integer visibleIndex, Integer& part, Integer& state) {
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxTab* tab = info->VisibleTabs(visibleIndex);
  bool main = visibleIndex == info->MainTabVisibleIndex();
  auto sameRow = [&](Integer i) {
    return i >= 0 && i < info->VisibleTabCount() && info->VisibleTabs(i)->Row == tab->Row;
  };
  bool first = !sameRow(visibleIndex - 1);
  bool last = !sameRow(visibleIndex + 1);
  // In one line (or ragged rows) only the last visible tab takes the right edge, unless it is
  // the main tab.
  if (!info->MultiLine() || info->RaggedRight()) last = last && visibleIndex == info->VisibleTabCount() - 1 && !main;
  if (first)
    part = main ? TABP_TOPTABITEM + 1 : TABP_TABITEMLEFTEDGE;
  else if (last)
    part = main ? TABP_TOPTABITEM + 2 : TABP_TABITEMRIGHTEDGE;
  else
    part = main ? TABP_TOPTABITEM : TABP_TABITEM;
  if (main)
    state = TIS_SELECTED;
  else if (!tab->RealEnabled())
    state = TIS_DISABLED;
  else if (tab->IsHot())
    state = TIS_HOT;
  else
    state = TIS_NORMAL;
}

void TcxPCTabsPainter::DoPaint(TcxCanvas* canvas) {
  if (!IsNativePainting()) {
    TcxPCStandardPainter::DoPaint(canvas);
    return;
  }
  // The off-screen background: the parent's colour (or the control's), the themed pane over
  // the page frame.
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxCustomTabControl* c = Control();
  TColor back = c->ParentBackground() && c->Parent() ? c->Parent()->Color() : info->Color();
  nativeBackground_ = std::make_unique<TBitmap>();
  nativeBackground_->SetPixelFormat(pf32bit);
  nativeBackground_->SetSize(std::max(1, info->Width()), std::max(1, info->Height()));
  {
    TcxCanvas bc(nativeBackground_->Canvas());
    TRect all(0, 0, info->Width(), info->Height());
    bc.FillRectColor(all, back);
    UxDrawThemeBackground(OpenThemeCached(tcTab), bc.DeviceContext(), TABP_PANE, 0, GetPageFrameRect(), all);
  }
  nativeCanvas_ = canvas;
  try {
    TcxPCStandardPainter::DoPaint(canvas);
  } catch (...) {
    nativeCanvas_ = nullptr;
    nativeBackground_.reset();
    throw;
  }
  nativeCanvas_ = nullptr;
  nativeBackground_.reset();
}

TRect TcxPCTabsPainter::GetPageClientRect() {
  if (!IsNativePainting()) return TcxPCStandardPainter::GetPageClientRect();
  // Inside the themed pane's content margins.
  TRect frame = GetPageFrameRect(), content;
  HDC dc = GetDC(0);
  HRESULT hr = UxGetThemeBackgroundContentRect(OpenThemeCached(tcTab), dc, TABP_PANE, 0, frame, content);
  ReleaseDC(0, dc);
  return SUCCEEDED(hr) ? content : TcxPCStandardPainter::GetPageClientRect();
}

void TcxPCTabsPainter::PaintTab(TcxCanvas* canvas, Integer visibleIndex) {
  if (!nativeCanvas_) {
    TcxPCStandardPainter::PaintTab(canvas, visibleIndex);
    return;
  }
  PaintNativeTab(canvas, visibleIndex);
}

void TcxPCTabsPainter::PaintNativeTab(TcxCanvas* canvas, Integer visibleIndex) {
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxTab* tab = info->VisibleTabs(visibleIndex);
  TRect r = tab->FullRect();
  if (r.IsEmpty()) return;
  SaveClip(canvas);
  canvas->ApplyClipRegion(GetTabClipRegion(visibleIndex), GetTabClipMode(visibleIndex), true);
  bool defaultDraw = true;
  TcxCustomTabControl* c = Control();
  if (info->OwnerDraw() && c->OnDrawTab) c->OnDrawTab(c, tab, defaultDraw);
  if (defaultDraw) {
    // The tab is drawn as a top tab into its own bitmap, then turned to its side.
    bool vertical = IsVerticalStrip();
    Integer w = vertical ? r.Height() : r.Width(), h = vertical ? r.Width() : r.Height();
    TcxTabPosition side = cxPCTabSide(c, tab);
    TBitmap bmp;
    bmp.SetPixelFormat(pf32bit);
    bmp.SetSize(w, h);
    {
      TcxCanvas bc(bmp.Canvas());
      if (side == tpTop && !(info->MultiLine() && info->ScrollOpposite()))
        bc.CopyFromCanvas(TRect(0, 0, w, h), nativeBackground_->Canvas(), r);
      else
        bc.FillRectColor(TRect(0, 0, w, h), c->Parent() ? c->Parent()->Color() : info->Color());
      Integer part, state;
      GetThemeTabPart(visibleIndex, part, state);
      UxDrawThemeBackground(OpenThemeCached(tcTab), bc.DeviceContext(), part, state, TRect(0, 0, w, h),
                            TRect(0, 0, w, h));
    }
    switch (side) {
      case tpBottom: TcxCanvas::RotateBitmapPixels(&bmp, 0, true); break;
      case tpLeft: TcxCanvas::RotateBitmapPixels(&bmp, 1, false); break;
      case tpRight: TcxCanvas::RotateBitmapPixels(&bmp, 2, false); break;
      default: break;
    }
    canvas->CopyFromCanvas(r, bmp.Canvas(), TRect(0, 0, bmp.Width(), bmp.Height()));
    PaintTabImageAndText(canvas, visibleIndex);
    if (visibleIndex == info->MainTabVisibleIndex() && info->Focused() && tab->RealEnabled()) {
      canvas->CurrentFont()->SetColor(clBtnText);
      canvas->DrawFocusFrame(GrowRect(r, -2, -2));
    }
  }
  RestoreClip(canvas);
  DoDrawTabEx(canvas, visibleIndex);
  canvas->ApplyClipRegion(GetTabClipRegion(visibleIndex), roSubtract, true);
}

Integer TcxPCTabsPainter::GetNavigatorButtonWidth(TcxPCNavigatorButton button) {
  if (button == nbGoDialog && IsNativePainting()) {
    // The go-dialog button takes the width of the theme's arrow part.
    TSize size;
    HDC dc = GetDC(0);
    HRESULT hr = UxGetThemePartSizeNoRect(OpenThemeCached(tcScrollBar), dc, SBP_ARROWBTN, ABS_DOWNNORMAL, TS_TRUE, size);
    ReleaseDC(0, dc);
    if (SUCCEEDED(hr) && size.cx > 0) return size.cx;
  }
  return TcxPCStandardPainter::GetNavigatorButtonWidth(button);
}

void TcxPCTabsPainter::PaintNavigatorButton(TcxCanvas* canvas, TcxPCNavigatorButton button, const TRect& r) {
  if (!nativeCanvas_) {
    TcxPCStandardPainter::PaintNavigatorButton(canvas, button, r);
    return;
  }
  // Themed: the scroll bar's arrow parts, the window's small close button; the parent's
  // background under partially transparent parts.
  TcxPCNavigatorButtonState s = ParentInfo()->NavigatorButtonState(button);
  if (!ParentInfo()->Enabled()) s = nbsDisabled;
  Integer offset = s == nbsHotTrack ? 1 : s == nbsPressed ? 2 : s == nbsDisabled ? 3 : 0;
  TcxCustomTabControl* c = Control();
  canvas->FillRectColor(r, c->Parent() ? c->Parent()->Color() : ParentInfo()->Color());
  if (button == nbClose) {
    static const Integer states[4] = {CBS_NORMAL, CBS_HOT, CBS_PUSHED, CBS_DISABLED};
    UxDrawThemeBackground(OpenThemeCached(tcWindow), canvas->DeviceContext(), WP_SMALLCLOSEBUTTON, states[offset], r, r);
    return;
  }
  bool vertical = IsVerticalStrip();
  Integer base = button == nbGoDialog     ? ABS_DOWNNORMAL
                 : button == nbTopLeft    ? (vertical ? ABS_UPNORMAL : ABS_LEFTNORMAL)
                                          : (vertical ? ABS_DOWNNORMAL : ABS_RIGHTNORMAL);
  UxDrawThemeBackground(OpenThemeCached(tcScrollBar), canvas->DeviceContext(), SBP_ARROWBTN, base + offset, r, r);
}

void TcxPCTabsPainter::DrawPageFrame(TcxCanvas* canvas, const TRect& r) {
  // Under native painting the frame is the themed pane of the pre-painted background.
  if (nativeCanvas_) {
    canvas->CopyFromCanvas(r, nativeBackground_->Canvas(), r);
    return;
  }
  TcxPCStandardPainter::DrawPageFrame(canvas, r);
}

void TcxPCTabsPainter::PaintTabBackgroundToBitmap(TcxCanvas* canvas, Integer visibleIndex, const TRect& r) {
  // Under native painting a caption lies on the themed tab already drawn: the tab's pixels
  // under the caption, turned back for vertical text (the caption bitmap is turned later).
  if (!nativeCanvas_ || r.IsEmpty()) return;
  TRect text = ImageAndTextInfo().TextRect;
  if (!IsVerticalText()) {
    canvas->CopyFromCanvas(r, nativeCanvas_, text);
    return;
  }
  TBitmap under;
  under.SetPixelFormat(pf24bit);
  under.SetSize(text.Width(), text.Height());
  {
    TcxCanvas uc(under.Canvas());
    uc.CopyFromCanvas(TRect(0, 0, text.Width(), text.Height()), nativeCanvas_, text);
  }
  TcxCanvas::RotateBitmapPixels(&under, IsTopToBottomText() ? 1 : 2, false);
  canvas->DrawGraphic(r.Left, r.Top, &under);
}

// ---- the Flat painter ----------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxPCFlatPainter)

TcxPCPainterClass TcxPCFlatPainter::Class() {
  static const TcxPCFlatPainterMeta meta;
  return &meta;
}

Integer TcxPCFlatPainter::GetNavigatorButtonWidth(TcxPCNavigatorButton button) {
  if (button == nbGoDialog) return IsVerticalStrip() ? 11 : 10;
  return 18;
}

TcxRegion* TcxPCFlatPainter::GetTabClipRegion(Integer visibleIndex) {
  return new TcxRegion(ParentInfo()->VisibleTabs(visibleIndex)->VisibleRect());
}

void TcxPCFlatPainter::PaintButtonFrame(TcxCanvas* canvas, TcxPCNavigatorButton button, TRect& r) {
  bool pressed = ParentInfo()->NavigatorButtonState(button) == nbsPressed;
  canvas->DrawTwoColorFrame(r, pressed ? clBtnShadow : clBtnHighlight, pressed ? clBtnHighlight : clBtnShadow);
  r = GrowRect(r, -1, -1);
}

void TcxPCFlatPainter::DrawPageFrame(TcxCanvas* canvas, const TRect& frame) {
  TRect r = frame;
  Integer minSize = GetMinPageFrameSize();
  r.Right = std::max(r.Right, r.Left + minSize);
  r.Bottom = std::max(r.Bottom, r.Top + minSize);
  canvas->DrawTwoColorFrame(r, clBtnHighlight, clBtnShadow);
}

void TcxPCFlatPainter::PaintTabBorder(TcxCanvas* canvas, Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  TcxTabPosition side = cxPCTabSide(Control(), tab);
  TcxBorders outer = OuterSidesOf(side);
  TRect r = tab->FullRect();
  // The side facing away from the page is the far side; the two others are the outer sides.
  TcxBorders far;
  switch (side) {
    case tpTop: far = {bTop}; break;
    case tpBottom: far = {bBottom}; break;
    case tpLeft: far = {bLeft}; break;
    default: far = {bRight}; break;
  }
  canvas->DrawFrameSides(r, clBtnHighlight, 1, outer - far);
  canvas->DrawFrameSides(r, clBtnShadow, 1, far);
  TColor inner = cxPCLightenColor(GetTabBackgroundColor(visibleIndex), 85);
  canvas->DrawFrameSides(Inset(r, outer, 1), inner, 1, outer);
  PaintTabEdges(canvas, visibleIndex);
}

// ---- the button painters -------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxPCButtonedPainter)

TcxPCButtonedPainter::TcxPCButtonedPainter(TcxCustomTabControl* control)
    : TcxPCStandardPainter(control), brushBitmap_(std::make_unique<TBitmap>()) {
  brushBitmap_->SetPixelFormat(pf24bit);
  brushBitmap_->SetSize(8, 8);
  for (Integer y = 0; y < 8; ++y)
    for (Integer x = 0; x < 8; ++x)
      brushBitmap_->Canvas()->SetPixels(x, y, (x + y) % 2 == 0 ? clBtnHighlight : cl3DLight);
}

TcxPCButtonedPainter::~TcxPCButtonedPainter() = default;

bool TcxPCButtonedPainter::IsTabActiveLook(Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  if (tab->IsTracking()) return false;
  return tab->IsPressed() || tab->Selected() || visibleIndex == ParentInfo()->MainTabVisibleIndex();
}

TColor TcxPCButtonedPainter::GetTabBackgroundColor(Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  if (tab->Highlighted()) return clHighlight;
  TColor c = GetTabColor(visibleIndex);
  if (c != clDefault) return c;
  return visibleIndex == ParentInfo()->MainTabVisibleIndex() ? clBtnHighlight : clBtnFace;
}

void TcxPCButtonedPainter::GetContentMargins(Integer, Integer& leading, Integer& trailing) {
  leading = ParentInfo()->HasImages() ? 3 : 4;
  trailing = 4;
}

void TcxPCButtonedPainter::GetTruncatedContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) {
  GetContentMargins(visibleIndex, leading, trailing);
}

TRect TcxPCButtonedPainter::GetPageFrameRect() {
  TRect r = TcxPCStandardPainter::GetPageFrameRect();
  TcxPCPainterParentInfo* info = ParentInfo();
  if (!info->HideTabs() && info->RowCount() > 0) {
    switch (info->TabPosition()) {
      case tpTop: r.Top += 2; break;
      case tpBottom: r.Bottom -= 2; break;
      case tpLeft: r.Left += 2; break;
      case tpRight: r.Right -= 2; break;
    }
  }
  return r;
}

void TcxPCButtonedPainter::FillButtonFace(TcxCanvas* canvas, Integer visibleIndex, const TRect& r) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  bool checkered = visibleIndex == ParentInfo()->MainTabVisibleIndex() && !tab->Highlighted() &&
                   GetTabColor(visibleIndex) == clDefault;
  if (!checkered) {
    canvas->FillRectColor(r, GetTabBackgroundColor(visibleIndex));
    return;
  }
  TBrush* brush = canvas->CurrentBrush();
  brush->SetBitmap(brushBitmap_.get());
  canvas->Canvas()->FillRect(r);
  brush->SetBitmap(nullptr);
}

KORVAN_IMPLEMENT_CLASS(TcxPCButtonsPainter)

TcxPCPainterClass TcxPCButtonsPainter::Class() {
  static const TcxPCButtonsPainterMeta meta;
  return &meta;
}

bool TcxPCButtonsPainter::IsTabActiveLook(Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  return tab->IsTracking() || tab->IsPressed() || tab->Selected() ||
         visibleIndex == ParentInfo()->MainTabVisibleIndex();
}

void TcxPCButtonsPainter::PaintTabFrame(TcxCanvas* canvas, Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  TRect r = tab->FullRect();
  if (IsTabActiveLook(visibleIndex)) {
    canvas->DrawTwoColorFrame(r, cl3DDkShadow, clBtnHighlight);
    canvas->DrawTwoColorFrame(GrowRect(r, -1, -1), clBtnShadow, cl3DLight);
  } else {
    canvas->DrawTwoColorFrame(r, clBtnHighlight, cl3DDkShadow);
    canvas->DrawTwoColorFrame(GrowRect(r, -1, -1), cl3DLight, clBtnShadow);
  }
  TRect inside = GrowRect(r, -2, -2);
  FillButtonFace(canvas, visibleIndex, inside);
  if (visibleIndex == ParentInfo()->MainTabVisibleIndex() && ParentInfo()->Focused() && tab->RealEnabled()) {
    canvas->CurrentFont()->SetColor(clBtnText);
    canvas->DrawFocusFrame(GrowRect(inside, -1, -1));
  }
}

KORVAN_IMPLEMENT_CLASS(TcxPCFlatButtonsPainter)

TcxPCPainterClass TcxPCFlatButtonsPainter::Class() {
  static const TcxPCFlatButtonsPainterMeta meta;
  return &meta;
}

TRect TcxPCFlatButtonsPainter::GetSeparatorGap(Integer visibleIndex) {
  TcxPCPainterParentInfo* info = ParentInfo();
  if (visibleIndex + 1 >= info->VisibleTabCount()) return TRect();
  TcxTab* tab = info->VisibleTabs(visibleIndex);
  TcxTab* next = info->VisibleTabs(visibleIndex + 1);
  Integer gap = GetTabsDistance().X;
  if (info->Rotate()) {
    // Between rows: a tab of the next row starting at the same place.
    if (next->Row == tab->Row || next->LayoutOrigin.X != tab->LayoutOrigin.X) return TRect();
    gap = GetTabsDistance().Y;
    Integer a1 = std::min(tab->LayoutOrigin.Y, next->LayoutOrigin.Y) + tab->Thickness();
    return StripRect(tab->LayoutOrigin.X, a1, tab->LayoutOrigin.X + tab->Length(), a1 + gap);
  }
  if (next->Row != tab->Row) return TRect();
  Integer along = Control()->IsTabsReversed() ? tab->LayoutOrigin.X - gap : tab->LayoutOrigin.X + tab->Length();
  return StripRect(along, tab->LayoutOrigin.Y, along + gap, tab->LayoutOrigin.Y + tab->Thickness());
}

void TcxPCFlatButtonsPainter::PaintTab(TcxCanvas* canvas, Integer visibleIndex) {
  TcxPCButtonedPainter::PaintTab(canvas, visibleIndex);
  TRect gap = GetSeparatorGap(visibleIndex);
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  if (gap.IsEmpty() || !tab->IsShown()) return;
  IntersectRectsOrEmpty(gap, gap, tab->OnStartSide() ? ParentInfo()->StartTabArea() : ParentInfo()->EndTabArea());
  if (gap.IsEmpty()) return;
  canvas->FillRectColor(gap, ParentInfo()->Color());
  // A two-pixel groove centred in the gap, along the gap's long side.
  bool alongX = gap.Width() < gap.Height();
  if (alongX) {
    Integer x = gap.Left + (gap.Width() - 2) / 2;
    canvas->FillRectColor(TRect(x, gap.Top, x + 1, gap.Bottom), clBtnShadow);
    canvas->FillRectColor(TRect(x + 1, gap.Top, x + 2, gap.Bottom), clBtnHighlight);
  } else {
    Integer y = gap.Top + (gap.Height() - 2) / 2;
    canvas->FillRectColor(TRect(gap.Left, y, gap.Right, y + 1), clBtnShadow);
    canvas->FillRectColor(TRect(gap.Left, y + 1, gap.Right, y + 2), clBtnHighlight);
  }
  canvas->ExcludeFromClip(gap);
}

void TcxPCFlatButtonsPainter::PaintTabFrame(TcxCanvas* canvas, Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  TRect r = tab->FullRect();
  bool down = IsTabActiveLook(visibleIndex);
  TRect inside = r;
  if (down) {
    canvas->DrawTwoColorFrame(r, clBtnShadow, clBtnHighlight);
    inside = GrowRect(r, -1, -1);
  }
  FillButtonFace(canvas, visibleIndex, inside);
  if (visibleIndex == ParentInfo()->MainTabVisibleIndex() && ParentInfo()->Focused() && tab->RealEnabled()) {
    canvas->CurrentFont()->SetColor(clBtnText);
    canvas->DrawFocusFrame(GrowRect(inside, -1, -1));
  }
}
