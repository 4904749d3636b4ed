#include "pagecontrol/cxPCPainters.h"

#include <algorithm>

#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/dxOffice11.h"

namespace {

TColor gLightFaceColor = clNone;

void ComputeLightFaceColor() {
  TColor c = ColorToRGB(clBtnFace);
  auto lift = [](Integer v) { return v > 235 ? 255 : v + 20; };
  gLightFaceColor = TColor(RGB(lift(GetRValue(c)), lift(GetGValue(c)), lift(GetBValue(c))));
}

TcxSystemPaletteChangedNotifier* gPaletteNotifier = nullptr;

class TcxPCExtraFlatPainterMeta : public TcxPCPainterMeta {
 public:
  const char* ClassName() const override { return "TcxPCExtraFlatPainter"; }
  TcxPCCustomPainter* Create(TcxCustomTabControl* control) const override { return new TcxPCExtraFlatPainter(control); }
  TcxPCStyleID GetStyleID() const override { return 5; }
  String GetStyleName() const override { return "ExtraFlat"; }
};

class TcxPCUltraFlatPainterMeta : public TcxPCExtraFlatPainterMeta {
 public:
  const char* ClassName() const override { return "TcxPCUltraFlatPainter"; }
  TcxPCCustomPainter* Create(TcxCustomTabControl* control) const override { return new TcxPCUltraFlatPainter(control); }
  TcxPCStyleID GetStyleID() const override { return 6; }
  String GetStyleName() const override { return "UltraFlat"; }
  bool IsDefaultForLookAndFeel(TcxLookAndFeel* lookAndFeel) const override {
    TcxCustomLookAndFeelPainterClass p = lookAndFeel ? lookAndFeel->EffectivePainter() : nullptr;
    return p && p->PainterStyle() == lfsUltraFlat;
  }
};

// The three sides of a tab away from the page.
TcxBorders OuterSides(TcxTabPosition position, bool startSide) {
  bool vertical = position == tpLeft || position == tpRight;
  if (!vertical) return startSide ? TcxBorders{bLeft, bTop, bRight} : TcxBorders{bLeft, bBottom, bRight};
  return startSide ? TcxBorders{bTop, bLeft, bBottom} : TcxBorders{bTop, bRight, bBottom};
}

// Visible-index intervals of the rows painted: the shown range in one line, every row else.
std::vector<std::pair<Integer, Integer>> PaintedRows(TcxCustomTabControl* c) {
  std::vector<std::pair<Integer, Integer>> rows;
  if (c->RowCount() == 0 || c->VisibleTabCount() == 0) return rows;
  if (!(c->MultiLine() && c->RowCount() > 1)) {
    Integer last = std::min(c->LastVisibleTab(), c->VisibleTabCount() - 1);
    if (c->FirstVisibleTab() >= 0 && c->FirstVisibleTab() <= last) rows.push_back({c->FirstVisibleTab(), last});
    return rows;
  }
  for (Integer i = 0; i < c->VisibleTabCount(); ++i) {
    if (rows.empty() || c->VisibleTabs(i)->Row != c->VisibleTabs(i - 1)->Row)
      rows.push_back({i, i});
    else
      rows.back().second = i;
  }
  return rows;
}

}  // namespace

TColor cxPCLightFaceColor() {
  if (gLightFaceColor == clNone) ComputeLightFaceColor();
  return gLightFaceColor;
}

// ---- the standard painter ------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxPCStandardPainter)

Integer TcxPCStandardPainter::AlongExtent() const {
  auto* info = const_cast<TcxPCStandardPainter*>(this)->ParentInfo();
  return IsVerticalStrip() ? info->Height() : info->Width();
}

Integer TcxPCStandardPainter::AcrossExtent() const {
  auto* info = const_cast<TcxPCStandardPainter*>(this)->ParentInfo();
  return IsVerticalStrip() ? info->Width() : info->Height();
}

bool TcxPCStandardPainter::NavigatorAtNearEnd() const {
  TcxPCNavigatorPosition p = const_cast<TcxPCStandardPainter*>(this)->ParentInfo()->NavigatorPosition();
  if (!IsVerticalStrip()) return p == npLeftTop || p == npLeftBottom;
  return p == npLeftTop || p == npRightTop;
}

Integer TcxPCStandardPainter::GetImageAreaWidth(bool tabHasImage) {
  TcxPCPainterParentInfo* info = ParentInfo();
  if (!info->HasImages() || (!tabHasImage && !info->Rotate())) return 12;
  return info->Images()->BaseImages()->Width() + 2 * info->ImageBorder() + 18;
}

Integer TcxPCStandardPainter::GetMinTabWidth(Integer visibleIndex) {
  bool hasImage = visibleIndex < 0 ? ParentInfo()->HasImages() : TabHasImage(visibleIndex);
  return std::max(GetMinTabWidthConstant(), GetImageAreaWidth(hasImage));
}

Integer TcxPCStandardPainter::CalculateTabNormalWidth(TcxTab* tab) {
  if (ParentInfo()->TabWidth() > 0) return ParentInfo()->TabWidth();
  Integer vi = tab->VisibleIndex();
  bool hasImage = vi >= 0 && TabHasImage(vi);
  return std::max(GetImageAreaWidth(hasImage) + CaptionTextWidth(tab->Caption()), GetMinTabWidth(vi));
}

Integer TcxPCStandardPainter::GetTextAreaHeight() {
  TcxPCPainterParentInfo* info = ParentInfo();
  Integer h = CaptionTextHeight() + 8;
  if (info->HasImages()) h = std::max(h, info->Images()->BaseImages()->Height() + 2 * info->ImageBorder() + 6);
  return h;
}

Integer TcxPCStandardPainter::GetMinTabHeight() {
  return PainterClass()->GetStandardStyle() == tsTabs ? 18 : 20;
}

Integer TcxPCStandardPainter::GetTabNormalHeight() {
  TcxPCPainterParentInfo* info = ParentInfo();
  Integer h = std::max(GetTextAreaHeight(), GetMinTabHeight());
  if (info->Rotate() && info->HasImages() && (h % 2) != (info->Images()->BaseImages()->Height() % 2)) ++h;
  return std::max(h, info->TabHeight());
}

TPoint TcxPCStandardPainter::GetTabsDistance() {
  switch (PainterClass()->GetStandardStyle()) {
    case tsButtons: return TPoint(3, 3);
    case tsFlatButtons: return TPoint(10, 3);
    default: return TPoint(0, 0);
  }
}

void TcxPCStandardPainter::GetImageOffsets(Integer visibleIndex, Integer o[4]) {
  bool main = visibleIndex == ParentInfo()->MainTabVisibleIndex();
  static const Integer tabs[2][4] = {{6, 1, 0, 0}, {8, 1, 0, 3}};
  static const Integer buttons[2][4] = {{6, -1, 0, 1}, {7, -1, 0, 1}};
  const Integer* src = PainterClass()->GetStandardStyle() == tsTabs ? tabs[main] : buttons[main];
  std::copy(src, src + 4, o);
}

void TcxPCStandardPainter::GetImageOnlyOffsets(Integer, Integer o[2]) { o[0] = o[1] = 0; }

void TcxPCStandardPainter::GetTextOffsets(Integer visibleIndex, Integer o[4]) {
  bool main = visibleIndex == ParentInfo()->MainTabVisibleIndex();
  static const Integer tabs[2][4] = {{5, 1, 5, -1}, {5, 1, 5, 2}};
  static const Integer buttons[4] = {6, 0, 4, 1};
  const Integer* src = PainterClass()->GetStandardStyle() == tsTabs ? tabs[main] : buttons;
  std::copy(src, src + 4, o);
}

void TcxPCStandardPainter::GetContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) {
  bool main = visibleIndex == ParentInfo()->MainTabVisibleIndex();
  switch (PainterClass()->GetStandardStyle()) {
    case tsButtons: leading = trailing = 3; break;
    case tsFlatButtons:
      leading = main ? 4 : 2;
      trailing = 2;
      break;
    default: leading = trailing = main ? 4 : 2; break;
  }
}

void TcxPCStandardPainter::GetTruncatedContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) {
  GetContentMargins(visibleIndex, leading, trailing);
  if (visibleIndex == ParentInfo()->MainTabVisibleIndex() && PainterClass()->GetStandardStyle() == tsFlatButtons)
    leading = 3;
}

TColor TcxPCStandardPainter::GetTabBackgroundColor(Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  if (tab->Highlighted()) return clHighlight;
  TColor c = GetTabColor(visibleIndex);
  return c == clDefault ? clBtnFace : c;
}

bool TcxPCStandardPainter::IsTabActiveLook(Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  return visibleIndex == ParentInfo()->MainTabVisibleIndex() || tab->Selected();
}

// ---- navigator -----------------------------------------------------------------------------

Integer TcxPCStandardPainter::GetNavigatorButtonWidth(TcxPCNavigatorButton button) {
  if (button == nbGoDialog) return IsVerticalStrip() ? 13 : 12;
  return 20;
}

std::vector<TcxPCNavigatorButton> TcxPCStandardPainter::GetVisibleNavigatorButtons(
    const TcxPCNavigatorButtons& buttons) {
  std::vector<TcxPCNavigatorButton> order =
      NavigatorAtNearEnd() ? std::vector<TcxPCNavigatorButton>{nbClose, nbTopLeft, nbBottomRight, nbGoDialog}
                           : std::vector<TcxPCNavigatorButton>{nbGoDialog, nbTopLeft, nbBottomRight, nbClose};
  std::vector<TcxPCNavigatorButton> shown;
  for (TcxPCNavigatorButton b : order)
    if (buttons.Contains(b)) shown.push_back(b);
  return shown;
}

Integer TcxPCStandardPainter::GetNavigatorWidth(const TcxPCNavigatorButtons& buttons) {
  std::vector<TcxPCNavigatorButton> shown = GetVisibleNavigatorButtons(buttons);
  if (shown.empty()) return 0;
  Integer length = 0;
  for (size_t i = 0; i < shown.size(); ++i) {
    length += GetNavigatorButtonWidth(shown[i]);
    if (i > 0) length += GetButtonsDistance(shown[i - 1], shown[i]);
  }
  return length + GetNavigatorEndIndent() + GetNavigatorTabsDistance();
}

void TcxPCStandardPainter::CalculateNavigatorBlock(const TcxPCNavigatorButtons& buttons) {
  positions_.clear();
  navigatorBlock_ = TRect();
  std::vector<TcxPCNavigatorButton> shown = GetVisibleNavigatorButtons(buttons);
  if (shown.empty()) return;
  Integer length = GetNavigatorWidth(buttons) - GetNavigatorEndIndent() - GetNavigatorTabsDistance();
  Integer thickness = GetNavigatorButtonHeight();
  TcxTabPosition tp = ParentInfo()->TabPosition();
  bool tabSideNear = tp == tpTop || tp == tpLeft;
  Integer along = NavigatorAtNearEnd() ? GetNavigatorEndIndent() : AlongExtent() - GetNavigatorEndIndent() - length;
  Integer across = tabSideNear ? GetNavigatorSideIndent() : AcrossExtent() - GetNavigatorSideIndent() - thickness;
  navigatorBlock_ = StripRect(along, across, along + length, across + thickness);
  Integer pos = along;
  for (size_t i = 0; i < shown.size(); ++i) {
    if (i > 0) pos += GetButtonsDistance(shown[i - 1], shown[i]);
    Integer w = GetNavigatorButtonWidth(shown[i]);
    positions_.push_back({shown[i], StripRect(pos, across, pos + w, across + thickness)});
    pos += w;
  }
}

void TcxPCStandardPainter::PlaceNavigatorButtons(const TcxPCNavigatorButtons& buttons) {
  CalculateNavigatorBlock(buttons);
}

void TcxPCStandardPainter::CalculateTabsArea(const TcxPCNavigatorButtons& buttons, TcxPCTabsArea& area) {
  TRect extra = GetExtraRect();
  Integer navWidth = GetNavigatorWidth(buttons);
  bool near = NavigatorAtNearEnd();
  bool vertical = IsVerticalStrip();
  Integer alongStart = vertical ? extra.Top : extra.Left, alongEnd = AlongExtent() - (vertical ? extra.Bottom : extra.Right);
  if (near)
    alongStart += navWidth;
  else
    alongEnd -= navWidth;
  area = TcxPCTabsArea();
  area.AlongStart = area.AlongNear = alongStart;
  area.AlongEnd = area.AlongFar = alongEnd;
  area.AcrossStart = area.AcrossNear = vertical ? extra.Left : extra.Top;
  area.AcrossEnd = area.AcrossFar = AcrossExtent() - (vertical ? extra.Right : extra.Bottom);
  TPoint gaps = GetTabsDistance();
  area.Separation = ParentInfo()->Rotate() ? gaps.X : gaps.Y;
  PlaceNavigatorButtons(buttons);
}

Integer TcxPCStandardPainter::GetNavigatorButtonAtPoint(const TPoint& p) {
  TcxPCNavigatorButtons shown = ParentInfo()->NavigatorButtons();
  for (const auto& pos : positions_)
    if (shown.Contains(pos.Button) && pos.Bounds.Contains(p)) return pos.Button;
  return -1;
}

TRect TcxPCStandardPainter::GetGoDialogButtonBounds() {
  if (!ParentInfo()->NavigatorButtons().Contains(nbGoDialog)) return TRect();
  for (const auto& pos : positions_)
    if (pos.Button == nbGoDialog) return pos.Bounds;
  return TRect();
}

TColor TcxPCStandardPainter::GetButtonFaceColor(TcxPCNavigatorButton) { return clBtnFace; }

TColor TcxPCStandardPainter::GetButtonGlyphColor(TcxPCNavigatorButton button) {
  return ParentInfo()->NavigatorButtonState(button) == nbsHotTrack ? clHotLight : clBtnText;
}

void TcxPCStandardPainter::GetNavigatorButtonState(TcxPCNavigatorButton button, TColor& faceColor,
                                                   TColor& glyphColor, bool& enabled) {
  faceColor = GetButtonFaceColor(button);
  glyphColor = GetButtonGlyphColor(button);
  enabled = ParentInfo()->Enabled() && ParentInfo()->NavigatorButtonState(button) != nbsDisabled;
}

void TcxPCStandardPainter::PaintButtons(TcxCanvas* canvas) {
  TcxPCNavigatorButtons shown = ParentInfo()->NavigatorButtons();
  for (const auto& pos : positions_) {
    if (!shown.Contains(pos.Button)) continue;
    if (canvas->IsRectPartlyVisible(pos.Bounds)) PaintNavigatorButton(canvas, pos.Button, pos.Bounds);
    canvas->ExcludeFromClip(pos.Bounds);
  }
}

void TcxPCStandardPainter::PaintNavigatorButton(TcxCanvas* canvas, TcxPCNavigatorButton button, const TRect& bounds) {
  TRect r = bounds;
  PaintButtonFrame(canvas, button, r);
  PaintButtonBackground(canvas, button, r);
  PaintButtonGlyph(canvas, button, r);
}

void TcxPCStandardPainter::PaintButtonBackground(TcxCanvas* canvas, TcxPCNavigatorButton button, TRect& r) {
  canvas->FillRectColor(r, GetButtonFaceColor(button));
}

void TcxPCStandardPainter::PaintButtonFrame(TcxCanvas* canvas, TcxPCNavigatorButton button, TRect& r) {
  bool pressed = ParentInfo()->NavigatorButtonState(button) == nbsPressed;
  canvas->DrawTwoColorFrame(r, pressed ? cl3DDkShadow : clBtnHighlight, pressed ? clBtnHighlight : cl3DDkShadow);
  r = GrowRect(r, -1, -1);
  canvas->DrawTwoColorFrame(r, pressed ? clBtnShadow : cl3DLight, pressed ? cl3DLight : clBtnShadow);
  r = GrowRect(r, -1, -1);
}

void TcxPCStandardPainter::DrawGlyph(TcxCanvas* canvas, TcxPCNavigatorButton button, const TRect& r, TColor fill,
                                     TColor outline) {
  bool vertical = IsVerticalStrip();
  if (button == nbClose) {
    // A cross of two-pixel diagonals, 7 by 7, centred.
    Integer size = std::min(7, std::min(r.Width(), r.Height()));
    Integer x0 = r.Left + (r.Width() - size) / 2, y0 = r.Top + (r.Height() - size) / 2;
    for (Integer i = 0; i < size; ++i) {
      canvas->PutPixel(x0 + i, y0 + i, outline);
      canvas->PutPixel(x0 + size - 1 - i, y0 + i, outline);
      if (i + 1 < size) {
        canvas->PutPixel(x0 + i + 1, y0 + i, outline);
        canvas->PutPixel(x0 + size - 2 - i, y0 + i, outline);
      }
    }
    return;
  }
  TcxArrowDirection dir;
  Integer size = 0;
  switch (button) {
    case nbTopLeft: dir = vertical ? adUp : adLeft; break;
    case nbBottomRight: dir = vertical ? adDown : adRight; break;
    default:
      dir = adDown;
      size = 3;
      break;
  }
  TPoint pts[3];
  TcxCustomLookAndFeelPainter::ComputeArrowPoints(r, dir, true, size, pts);
  canvas->CurrentPen()->SetColor(outline);
  canvas->CurrentPen()->SetStyle(psSolid);
  canvas->CurrentPen()->SetWidth(1);
  canvas->CurrentBrush()->SetStyle(bsSolid);
  canvas->CurrentBrush()->SetColor(fill);
  canvas->DrawPolygon(pts, 3);
}

void TcxPCStandardPainter::PaintButtonGlyph(TcxCanvas* canvas, TcxPCNavigatorButton button, const TRect& bounds) {
  TColor face, glyph;
  bool enabled;
  GetNavigatorButtonState(button, face, glyph, enabled);
  TRect r = bounds;
  if (ParentInfo()->NavigatorButtonState(button) == nbsPressed) r = ShiftedRect(r, 1, 1);
  TPoint offset = GetButtonGlyphOffset(button);
  r = ShiftedRect(r, offset.X, offset.Y);
  if (!enabled) {
    DrawGlyph(canvas, button, ShiftedRect(r, 1, 1), clBtnHighlight, clBtnHighlight);
    DrawGlyph(canvas, button, r, clBtnShadow, clBtnShadow);
    return;
  }
  DrawGlyph(canvas, button, r, glyph, glyph);
}

void TcxPCStandardPainter::RepaintNavigatorButton(TcxPCNavigatorButton button) {
  if (!Control()->HandleAllocated()) return;
  for (const auto& pos : positions_)
    if (pos.Button == button) InvalidateControlRect(Control(), pos.Bounds, false);
}

void TcxPCStandardPainter::RepaintNavigatorButtons() {
  if (Control()->HandleAllocated() && !navigatorBlock_.IsEmpty())
    InvalidateControlRect(Control(), navigatorBlock_, false);
}

// ---- tabs and frame ------------------------------------------------------------------------

void TcxPCStandardPainter::DoPaint(TcxCanvas* canvas) {
  TcxPCCustomPainter::DoPaint(canvas);
  canvas->FillRectColor(TRect(0, 0, ParentInfo()->Width(), ParentInfo()->Height()), GetBackgroundColor());
}

void TcxPCStandardPainter::PaintTab(TcxCanvas* canvas, Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  SaveClip(canvas);
  canvas->ApplyClipRegion(GetTabClipRegion(visibleIndex), GetTabClipMode(visibleIndex), true);
  bool defaultDraw = true;
  TcxCustomTabControl* c = Control();
  if (ParentInfo()->OwnerDraw() && c->OnDrawTab) c->OnDrawTab(c, tab, defaultDraw);
  if (defaultDraw) {
    if (IsNativePainting()) PaintNativeTabBackground(canvas, visibleIndex);
    PaintTabImageAndText(canvas, visibleIndex);
    PaintTabFrame(canvas, visibleIndex);
  }
  RestoreClip(canvas);
  if (IsTabBackgroundShared(visibleIndex)) {
    canvas->ExcludeFromClip(imageAndText_.ImageRect);
    canvas->ExcludeFromClip(imageAndText_.TextRect);
  } else {
    DoDrawTabEx(canvas, visibleIndex);
    canvas->ApplyClipRegion(GetTabClipRegion(visibleIndex), roSubtract, true);
  }
}

void TcxPCStandardPainter::PaintTabs(TcxCanvas* canvas) {
  for (const auto& row : PaintedRows(Control()))
    for (Integer i = row.first; i <= row.second; ++i) PaintTab(canvas, i);
}

void TcxPCStandardPainter::PaintTabFrame(TcxCanvas* canvas, Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  TRect r = tab->FullRect();
  canvas->FillRectColor(r, GetTabBackgroundColor(visibleIndex));
  TcxBorders sides = OuterSides(ParentInfo()->TabPosition(), tab->OnStartSide());
  canvas->DrawTwoColorFrame(r, clBtnHighlight, cl3DDkShadow, sides);
}

void TcxPCStandardPainter::DrawPageFrame(TcxCanvas* canvas, const TRect& frame) {
  TRect r = frame;
  Integer minSize = GetMinPageFrameSize();
  r.Right = std::max(r.Right, r.Left + minSize);
  r.Bottom = std::max(r.Bottom, r.Top + minSize);
  canvas->DrawTwoColorFrame(r, clBtnHighlight, cl3DDkShadow);
  canvas->DrawTwoColorFrame(GrowRect(r, -1, -1), cl3DLight, clBtnShadow);
}

void TcxPCStandardPainter::PaintFrame(TcxCanvas* canvas) { DrawPageFrame(canvas, GetPageFrameRect()); }

void TcxPCStandardPainter::RepaintTab(Integer visibleIndex, TcxTabChangeKind) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  tab->VerticalTextBitmap.reset();
  InvalidateTab(visibleIndex);
}

// ---- the extra-flat painter ----------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxPCExtraFlatPainter)

TcxPCPainterClass TcxPCExtraFlatPainter::Class() {
  static const TcxPCExtraFlatPainterMeta meta;
  return &meta;
}

Integer TcxPCExtraFlatPainter::GetMinTabWidth(Integer visibleIndex) {
  TcxPCPainterParentInfo* info = ParentInfo();
  bool hasImage = visibleIndex < 0 ? info->HasImages() : TabHasImage(visibleIndex);
  if (!info->HasImages() || (!hasImage && !info->Rotate())) return 0;
  return info->Images()->BaseImages()->Width() + 2 * info->ImageBorder() + 4;
}

Integer TcxPCExtraFlatPainter::CalculateTabNormalWidth(TcxTab* tab) {
  if (ParentInfo()->TabWidth() > 0) return ParentInfo()->TabWidth();
  Integer vi = tab->VisibleIndex();
  Integer imageArea = GetMinTabWidth(vi);
  Integer width = imageArea + (tab->Caption().empty() ? 12 : CaptionTextWidth(tab->Caption()) + 9);
  return std::max(width, imageArea);
}

Integer TcxPCExtraFlatPainter::GetTabNormalHeight() {
  TcxPCPainterParentInfo* info = ParentInfo();
  Integer h = std::max(GetTextAreaHeight() - 3, 17);
  if (info->Rotate() && info->HasImages() && (h % 2) != (info->Images()->BaseImages()->Height() % 2)) ++h;
  if (info->TabHeight() - 4 >= 17 && h < info->TabHeight() - 4) h = info->TabHeight() - 4;
  return h;
}

TRect TcxPCExtraFlatPainter::GetTabRectCorrection(Integer visibleIndex) {
  return visibleIndex == ParentInfo()->MainTabVisibleIndex() ? TRect(-1, -1, 1, 1) : TRect();
}

TPoint TcxPCExtraFlatPainter::GetTabsDistance() { return TPoint(1, 6); }

void TcxPCExtraFlatPainter::CalculateTabsArea(const TcxPCNavigatorButtons& buttons, TcxPCTabsArea& area) {
  Integer along = AlongExtent(), across = AcrossExtent();
  Integer navWidth = GetNavigatorWidth(buttons);
  TcxTabPosition tp = ParentInfo()->TabPosition();
  bool tabSideNear = tp == tpTop || tp == tpLeft;
  area = TcxPCTabsArea();
  area.AlongStart = 6 + (NavigatorAtNearEnd() ? navWidth : 0);
  area.AlongEnd = area.AlongStart + along - navWidth - 12;
  area.AlongNear = area.AlongStart - 1;
  area.AlongFar = area.AlongEnd + 1;
  area.AcrossStart = tabSideNear ? 3 : 0;
  area.AcrossEnd = tabSideNear ? across : across - 3;
  area.AcrossNear = tabSideNear ? area.AcrossStart - 1 : 0;
  area.AcrossFar = tabSideNear ? across : area.AcrossEnd + 1;
  area.StartAreaOverlap = tabSideNear ? 1 : 0;
  area.EndAreaOverlap = tabSideNear ? 0 : 1;
  area.Separation = 5;
  PlaceNavigatorButtons(buttons);
}

void TcxPCExtraFlatPainter::GetImageOffsets(Integer visibleIndex, Integer o[4]) {
  bool main = visibleIndex == ParentInfo()->MainTabVisibleIndex();
  o[0] = main ? 3 : 2;
  o[1] = o[2] = o[3] = 0;
}

void TcxPCExtraFlatPainter::GetTextOffsets(Integer visibleIndex, Integer o[4]) {
  bool main = visibleIndex == ParentInfo()->MainTabVisibleIndex();
  o[0] = main ? 6 : 5;
  o[1] = 2;
  o[2] = 3;
  o[3] = 0;
  Integer side = GetTabSideCode(visibleIndex);
  if (side == 5 || side == 7 || side == 10) o[1] = o[3] = 0;
  if (ParentInfo()->HasImages()) o[0] += main ? 1 : 2;
}

void TcxPCExtraFlatPainter::GetContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) {
  leading = trailing = visibleIndex == ParentInfo()->MainTabVisibleIndex() ? 3 : 2;
}

void TcxPCExtraFlatPainter::GetTruncatedContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) {
  GetContentMargins(visibleIndex, leading, trailing);
}

TColor TcxPCExtraFlatPainter::GetTabBackgroundColor(Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  if (tab->Highlighted()) return clHighlight;
  TColor c = GetTabColor(visibleIndex);
  if (c != clDefault) return c;
  if (visibleIndex == ParentInfo()->MainTabVisibleIndex()) return clBtnFace;
  return GetRowBackgroundColor();
}

TColor TcxPCExtraFlatPainter::GetPageColor() {
  if (ParentInfo()->MainTabVisibleIndex() < 0) return clBtnFace;
  return ParentInfo()->PageColor(ParentInfo()->PageOfMainTab());
}

TRect TcxPCExtraFlatPainter::GetPageFrameRect() {
  TRect r = TcxPCCustomPainter::GetPageFrameRect();
  if (ParentInfo()->TabAreasOnBothSides()) {
    switch (ParentInfo()->TabPosition()) {
      case tpTop: r.Bottom -= 3; break;
      case tpBottom: r.Top += 3; break;
      case tpLeft: r.Right -= 3; break;
      case tpRight: r.Left += 3; break;
    }
  }
  return r;
}

TRect TcxPCExtraFlatPainter::GetPageClientRect() {
  TRect r = TcxPCCustomPainter::GetPageClientRect();
  TcxPCPainterParentInfo* info = ParentInfo();
  if (!info->HideTabs() && info->RowCount() > 0) {
    Integer grow = HasFrame() ? 1 : 2;
    switch (info->TabPosition()) {
      case tpTop: r.Top += grow; break;
      case tpBottom: r.Bottom -= grow; break;
      case tpLeft: r.Left += grow; break;
      case tpRight: r.Right -= grow; break;
    }
  }
  return r;
}

TRect TcxPCExtraFlatPainter::GetPageBandRect() {
  TcxPCPainterParentInfo* info = ParentInfo();
  if (info->HideTabs() || info->RowCount() == 0) return TRect();
  TRect c = GetPageClientRect();
  switch (info->TabPosition()) {
    case tpTop: return TRect(c.Left, c.Top - 2, c.Right, c.Top);
    case tpBottom: return TRect(c.Left, c.Bottom, c.Right, c.Bottom + 2);
    case tpLeft: return TRect(c.Left - 2, c.Top, c.Left, c.Bottom);
    case tpRight: return TRect(c.Right, c.Top, c.Right + 2, c.Bottom);
  }
  return TRect();
}

TColor TcxPCExtraFlatPainter::GetPageBandColor() {
  Integer main = ParentInfo()->MainTabVisibleIndex();
  if (main < 0) return clBtnFace;
  TColor c = GetTabColor(main);
  return c == clDefault ? clBtnFace : c;
}

void TcxPCExtraFlatPainter::DoPaint(TcxCanvas* canvas) {
  PaintFrameAndPage(canvas);
  if (!ParentInfo()->HideTabs()) {
    PaintButtons(canvas);
    PaintTabs(canvas);
  }
  canvas->FillRectColor(TRect(0, 0, ParentInfo()->Width(), ParentInfo()->Height()), GetBackgroundColor());
}

void TcxPCExtraFlatPainter::PaintFrameAndPage(TcxCanvas* canvas) {
  TRect band = GetPageBandRect();
  if (!band.IsEmpty()) canvas->FillRectColor(band, GetPageBandColor());
  TcxPCCustomPainter::PaintFrameAndPage(canvas);
}

void TcxPCExtraFlatPainter::PaintFrame(TcxCanvas* canvas) {
  TRect r = GetPageFrameRect();
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxBorders sides = cxBordersAll;
  if (!info->HideTabs() && info->RowCount() > 0) {
    switch (info->TabPosition()) {
      case tpTop: sides = {bLeft, bRight, bBottom}; break;
      case tpBottom: sides = {bLeft, bTop, bRight}; break;
      case tpLeft: sides = {bTop, bRight, bBottom}; break;
      case tpRight: sides = {bLeft, bTop, bBottom}; break;
    }
  }
  canvas->DrawTwoColorFrame(r, GetFrameColor(true), GetFrameColor(false), sides);
}


TRect TcxPCExtraFlatPainter::GetTabBandRect(Integer firstVisible, Integer) {
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxTab* tab = info->VisibleTabs(firstVisible);
  Integer a1 = tab->LayoutOrigin.Y, a2 = a1 + tab->Thickness();
  Integer main = info->MainTabVisibleIndex();
  if (main >= 0 && info->VisibleTabs(main)->VisibleRow == tab->VisibleRow) {
    --a1;
    ++a2;
  }
  return StripRect(0, a1, AlongExtent(), a2);
}

TRect TcxPCExtraFlatPainter::RowLinesRect(const TRect& band, bool startSide) {
  Integer n = GetRowLineCount();
  if (IsVerticalStrip())
    return startSide ? TRect(band.Right - n, band.Top, band.Right, band.Bottom)
                     : TRect(band.Left, band.Top, band.Left + n, band.Bottom);
  return startSide ? TRect(band.Left, band.Bottom - n, band.Right, band.Bottom)
                   : TRect(band.Left, band.Top, band.Right, band.Top + n);
}

TRect TcxPCExtraFlatPainter::RowLine(const TRect& band, bool startSide, Integer i) {
  // Line i counted from the tab side towards the page.
  Integer n = GetRowLineCount();
  if (IsVerticalStrip()) {
    Integer x = startSide ? band.Right - n + i : band.Left + n - 1 - i;
    return TRect(x, band.Top, x + 1, band.Bottom);
  }
  Integer y = startSide ? band.Bottom - n + i : band.Top + n - 1 - i;
  return TRect(band.Left, y, band.Right, y + 1);
}

TcxRegion* TcxPCExtraFlatPainter::GetTabClipRegion(Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  auto* region = new TcxRegion(tab->VisibleRect());
  if (visibleIndex != ParentInfo()->MainTabVisibleIndex()) {
    // The row lines run under the other tabs.
    TRect lines = RowLinesRect(GetTabBandRect(visibleIndex, visibleIndex), tab->OnStartSide());
    region->CombineWith(new TcxRegion(lines), roSubtract, true);
  }
  return region;
}

void TcxPCExtraFlatPainter::PaintRowLines(TcxCanvas* canvas, const TRect& band, bool holdsMainTab, bool startSide) {
  TcxTabPosition tp = ParentInfo()->TabPosition();
  TColor colors[3] = {clBtnFace, clBtnFace, tp == tpTop || tp == tpLeft ? clWhite : clBlack};
  for (Integer i = 0; i < GetRowLineCount(); ++i)
    canvas->FillRectColor(RowLine(band, startSide, i), colors[std::min<Integer>(i, 2)]);
}

void TcxPCExtraFlatPainter::PaintTabSeparator(TcxCanvas* canvas, Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  Integer start, end;
  GetSeparatorInsets(start, end);
  Integer w = GetTabSeparatorWidth();
  bool reversed = Control()->IsTabsReversed();
  Integer along = reversed ? tab->LayoutOrigin.X - w : tab->LayoutOrigin.X + tab->Length();
  TRect r = StripRect(along, tab->LayoutOrigin.Y + start, along + w, tab->LayoutOrigin.Y + tab->Thickness() - end);
  TRect area = tab->OnStartSide() ? ParentInfo()->StartTabArea() : ParentInfo()->EndTabArea();
  IntersectRectsOrEmpty(r, r, area);
  if (r.IsEmpty()) return;
  canvas->FillRectColor(r, clBtnShadow);
  canvas->ExcludeFromClip(r);
}

void TcxPCExtraFlatPainter::PaintTabs(TcxCanvas* canvas) {
  TcxPCPainterParentInfo* info = ParentInfo();
  Integer main = info->MainTabVisibleIndex();
  for (const auto& row : PaintedRows(Control())) {
    SaveClip(canvas);
    for (Integer i = row.first; i <= row.second; ++i) {
      PaintTab(canvas, i);
      if (i != main && i < row.second && i + 1 != main) PaintTabSeparator(canvas, i);
    }
    TRect band = GetTabBandRect(row.first, row.second);
    TcxTab* first = info->VisibleTabs(row.first);
    bool holdsMain = main >= 0 ? info->VisibleTabs(main)->VisibleRow == first->VisibleRow
                               : (first->OnStartSide() ? first->VisibleRow == info->RowsAtStart() - 1
                                                       : first->VisibleRow == info->RowsAtStart());
    // The lines on the band's page side, then the rest of the band in the row colour.
    bool start = first->OnStartSide();
    TRect lines = RowLinesRect(band, start);
    SaveClip(canvas);
    canvas->IntersectClip(lines);
    PaintRowLines(canvas, band, holdsMain, start);
    RestoreClip(canvas);
    canvas->ExcludeFromClip(lines);
    FillTabBackground(canvas, -1, band);
    RestoreClip(canvas);
    canvas->ExcludeFromClip(band);
  }
}

void TcxPCExtraFlatPainter::FillTabBackground(TcxCanvas* canvas, Integer visibleIndex, const TRect& r) {
  if (visibleIndex < 0) {
    canvas->FillRectColor(r, GetRowBackgroundColor());
    return;
  }
  TRect inner = r;
  if (visibleIndex != ParentInfo()->MainTabVisibleIndex()) {
    canvas->DrawFrameSides(r, GetRowBackgroundColor(), 1);
    inner = GrowRect(r, -1, -1);
  }
  canvas->FillRectColor(inner, GetTabBackgroundColor(visibleIndex));
}

TRect TcxPCExtraFlatPainter::GetMainTabFocusRect(Integer visibleIndex) {
  return ParentInfo()->VisibleTabs(visibleIndex)->FullRect();
}

void TcxPCExtraFlatPainter::PaintMainTabOutline(TcxCanvas* canvas, Integer visibleIndex, const TRect& r) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  TcxBorders sides = OuterSides(ParentInfo()->TabPosition(), tab->OnStartSide());
  TcxBorders light = sides * TcxBorders{bLeft, bTop}, dark = sides * TcxBorders{bRight, bBottom};
  canvas->DrawFrameSides(r, clWhite, 1, light, true);
  canvas->DrawFrameSides(r, clBlack, 1, dark, true);
}

void TcxPCExtraFlatPainter::PaintTabFrame(TcxCanvas* canvas, Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  TRect r = tab->FullRect();
  bool main = visibleIndex == ParentInfo()->MainTabVisibleIndex();
  if (main) PaintMainTabOutline(canvas, visibleIndex, r);
  if (!IsTabBackgroundShared(visibleIndex)) FillTabBackground(canvas, visibleIndex, r);
  if (main && ParentInfo()->Focused() && tab->RealEnabled()) {
    TRect f = GrowRect(GetMainTabFocusRect(visibleIndex), -1, -1);
    canvas->CurrentFont()->SetColor(clBtnText);
    canvas->DrawFocusFrame(f);
  }
}

void TcxPCExtraFlatPainter::RepaintTab(Integer visibleIndex, TcxTabChangeKind kind) {
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxTab* tab = info->VisibleTabs(visibleIndex);
  tab->VerticalTextBitmap.reset();
  if (!Control()->HandleAllocated()) return;
  bool main = visibleIndex == info->MainTabVisibleIndex();
  if (kind == tckMain && !main) {
    InvalidateControlRect(Control(), tab->OnStartSide() ? info->StartTabArea() : info->EndTabArea(), false);
  } else {
    InvalidateTab(visibleIndex);
  }
  if (main) {
    TRect band = GetPageBandRect();
    if (!band.IsEmpty()) InvalidateControlRect(Control(), band, false);
    InvalidateControlRect(Control(), tab->OnStartSide() ? info->StartTabArea() : info->EndTabArea(), false);
  }
}

Integer TcxPCExtraFlatPainter::GetButtonsDistance(TcxPCNavigatorButton a, TcxPCNavigatorButton b) {
  if (a == nbClose || b == nbClose) return 3;
  if (a == nbGoDialog || b == nbGoDialog) return 0;
  return 3;
}

TColor TcxPCExtraFlatPainter::GetButtonFaceColor(TcxPCNavigatorButton button) {
  TcxPCNavigatorButtonState s = ParentInfo()->NavigatorButtonState(button);
  return s == nbsHotTrack || s == nbsPressed ? clBtnFace : GetRowBackgroundColor();
}

TColor TcxPCExtraFlatPainter::GetButtonGlyphColor(TcxPCNavigatorButton button) {
  TcxPCNavigatorButtonState s = ParentInfo()->NavigatorButtonState(button);
  if (s == nbsPressed) return clBtnHighlight;
  if (s == nbsDisabled || !ParentInfo()->Enabled()) return clBtnShadow;
  return clBtnText;
}

TPoint TcxPCExtraFlatPainter::GetButtonGlyphOffset(TcxPCNavigatorButton button) {
  // The go-dialog glyph sits one pixel lower while pressed; the standard shift of pressed
  // glyphs is undone for the others.
  bool pressed = ParentInfo()->NavigatorButtonState(button) == nbsPressed;
  if (!pressed) return TPoint();
  return button == nbGoDialog ? TPoint(-1, 0) : TPoint(-1, -1);
}

void TcxPCExtraFlatPainter::PaintButtonFrame(TcxCanvas* canvas, TcxPCNavigatorButton button, TRect& r) {
  TcxPCNavigatorButtonState s = ParentInfo()->NavigatorButtonState(button);
  if (s != nbsHotTrack && s != nbsPressed) return;
  bool hot = s == nbsHotTrack;
  canvas->DrawTwoColorFrame(r, hot ? cl3DLight : cl3DDkShadow, hot ? cl3DDkShadow : cl3DLight);
  r = GrowRect(r, -1, -1);
}

void TcxPCExtraFlatPainter::PaintButtonGlyph(TcxCanvas* canvas, TcxPCNavigatorButton button, const TRect& bounds) {
  TcxPCNavigatorButtonState s = ParentInfo()->NavigatorButtonState(button);
  TRect r = bounds;
  TPoint offset = GetButtonGlyphOffset(button);
  if (s == nbsPressed) r = ShiftedRect(r, 1 + offset.X, 1 + offset.Y);
  TColor glyph = GetButtonGlyphColor(button);
  bool disabled = s == nbsDisabled || !ParentInfo()->Enabled();
  DrawGlyph(canvas, button, r, disabled ? GetRowBackgroundColor() : glyph, glyph);
}

// ---- the ultra-flat painter ----------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxPCUltraFlatPainter)

TcxPCPainterClass TcxPCUltraFlatPainter::Class() {
  static const TcxPCUltraFlatPainterMeta meta;
  return &meta;
}

Integer TcxPCUltraFlatPainter::GetNavigatorButtonWidth(TcxPCNavigatorButton button) {
  switch (button) {
    case nbGoDialog: return 11;
    case nbClose: return 14;
    default: return 15;
  }
}

Integer TcxPCUltraFlatPainter::GetButtonsDistance(TcxPCNavigatorButton a, TcxPCNavigatorButton b) {
  return a == nbClose || b == nbClose ? 3 : 1;
}

TColor TcxPCUltraFlatPainter::GetButtonFaceColor(TcxPCNavigatorButton button) {
  switch (ParentInfo()->NavigatorButtonState(button)) {
    case nbsHotTrack: return clBtnFace;
    case nbsPressed: return clBtnShadow;
    default: return GetRowBackgroundColor();
  }
}

void TcxPCUltraFlatPainter::PaintButtonFrame(TcxCanvas* canvas, TcxPCNavigatorButton button, TRect& r) {
  TcxPCNavigatorButtonState s = ParentInfo()->NavigatorButtonState(button);
  canvas->DrawFrameSides(r, s == nbsHotTrack || s == nbsPressed ? clBlack : clBtnShadow, 1);
  r = GrowRect(r, -1, -1);
}

void TcxPCUltraFlatPainter::PaintButtonGlyph(TcxCanvas* canvas, TcxPCNavigatorButton button, const TRect& r) {
  if (!ParentInfo()->Enabled()) {
    DrawGlyph(canvas, button, ShiftedRect(r, 1, 1), clBtnHighlight, clBtnHighlight);
    DrawGlyph(canvas, button, r, clBtnShadow, clBtnShadow);
    return;
  }
  TColor glyph = GetButtonGlyphColor(button);
  DrawGlyph(canvas, button, r, glyph, glyph);
}

TRect TcxPCUltraFlatPainter::GetMainTabFocusRect(Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  TRect r = tab->FullRect();
  TcxBorders sides = OuterSides(ParentInfo()->TabPosition(), tab->OnStartSide());
  if (sides.Contains(bLeft)) ++r.Left;
  if (sides.Contains(bTop)) ++r.Top;
  if (sides.Contains(bRight)) --r.Right;
  if (sides.Contains(bBottom)) --r.Bottom;
  return r;
}

void TcxPCUltraFlatPainter::PaintMainTabOutline(TcxCanvas* canvas, Integer visibleIndex, const TRect& r) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  canvas->DrawFrameSides(r, clBlack, 1, OuterSides(ParentInfo()->TabPosition(), tab->OnStartSide()), true);
}

void TcxPCUltraFlatPainter::PaintRowLines(TcxCanvas* canvas, const TRect& band, bool holdsMainTab, bool startSide) {
  static const TColor main[3] = {clBtnFace, clBtnFace, clBlack};
  static const TColor other[3] = {clBtnFace, clBlack, clBtnFace};
  const TColor* colors = holdsMainTab ? main : other;
  for (Integer i = 0; i < GetRowLineCount(); ++i)
    canvas->FillRectColor(RowLine(band, startSide, i), colors[std::min<Integer>(i, 2)]);
}

// ---- unit start ----------------------------------------------------------------------------

void InitializeCxPCPainters() {
  InitUnit(
      "cxPCPainters",
      [] {
        InitializeCxLookAndFeels();
        ComputeLightFaceColor();
        RegisterPainterClass(TcxPCTabsPainter::Class());
        RegisterPainterClass(TcxPCButtonsPainter::Class());
        RegisterPainterClass(TcxPCFlatButtonsPainter::Class());
        RegisterPainterClass(TcxPCExtraFlatPainter::Class());
        RegisterPainterClass(TcxPCUltraFlatPainter::Class());
        RegisterPainterClass(TcxPCFlatPainter::Class());
        RegisterPainterClass(TcxPCOffice11Painter::Class());
        RegisterPainterClass(TcxPCSlantedPainter::Class());
        RegisterPainterClass(TcxPCOneNotePainter::Class());
        InitializeDxOffice11();
        cxPCCopyOffice11Colors(Office11SchemeIndex());
        gPaletteNotifier = new TcxPaletteChangedNotifier();
        auto copyColors = gPaletteNotifier->OnPaletteChanged;
        gPaletteNotifier->OnPaletteChanged = [copyColors] {
          ComputeLightFaceColor();
          copyColors();
        };
      },
      [] {
        if (gPaletteNotifier) gPaletteNotifier->Free();
        gPaletteNotifier = nullptr;
        UnregisterPainterClass(TcxPCOneNotePainter::Class());
        UnregisterPainterClass(TcxPCSlantedPainter::Class());
        UnregisterPainterClass(TcxPCOffice11Painter::Class());
        UnregisterPainterClass(TcxPCFlatPainter::Class());
        UnregisterPainterClass(TcxPCUltraFlatPainter::Class());
        UnregisterPainterClass(TcxPCExtraFlatPainter::Class());
        UnregisterPainterClass(TcxPCFlatButtonsPainter::Class());
        UnregisterPainterClass(TcxPCButtonsPainter::Class());
        UnregisterPainterClass(TcxPCTabsPainter::Class());
      });
}
