// The Slanted and OneNote painters and the outline helpers of the painter unit.
#include <algorithm>
#include <cmath>

#include "foundation/dxOffice11.h"
#include "pagecontrol/cxPCPainters.h"

namespace {

class TcxPCSlantedPainterMeta : public TcxPCPainterMeta {
 public:
  const char* ClassName() const override { return "TcxPCSlantedPainter"; }
  TcxPCCustomPainter* Create(TcxCustomTabControl* control) const override { return new TcxPCSlantedPainter(control); }
  TcxPCStyleID GetStyleID() const override { return 9; }
  String GetStyleName() const override { return "Slanted"; }
};

class TcxPCOneNotePainterMeta : public TcxPCSlantedPainterMeta {
 public:
  const char* ClassName() const override { return "TcxPCOneNotePainter"; }
  TcxPCCustomPainter* Create(TcxCustomTabControl* control) const override { return new TcxPCOneNotePainter(control); }
  TcxPCStyleID GetStyleID() const override { return 10; }
  String GetStyleName() const override { return "OneNote"; }
  bool AllowRotate() const override { return false; }
};

}  // namespace

void cxPCAddOutlinePoints(TPoints& points, TLinePositions& positions, std::initializer_list<TPoint> add,
                          TLinePosition position) {
  for (const TPoint& p : add) {
    points.push_back(p);
    positions.push_back(position);
  }
}

TcxRegion* cxPCCreateOutlineRegion(const TPoints& points, const TLinePositions& positions) {
  if (points.size() < 3) return new TcxRegion();
  std::vector<POINT> pts;
  pts.reserve(points.size());
  for (size_t i = 0; i < points.size(); ++i) {
    POINT p{points[i].X, points[i].Y};
    // A polygon region leaves out its right and bottom edges: points on those segments move
    // one pixel outward so that the region holds the outline drawn on them.
    switch (positions[i]) {
      case lpR: case lpRT: ++p.X; break;
      case lpB: case lpLB: ++p.Y; break;
      case lpRB: ++p.X; ++p.Y; break;
      default: break;
    }
    pts.push_back(p);
  }
  return new TcxRegion(CreatePolygonRgn(pts.data(), int(pts.size()), WINDING));
}

// ---- the Slanted painter -------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxPCSlantedPainter)

TcxPCPainterClass TcxPCSlantedPainter::Class() {
  static const TcxPCSlantedPainterMeta meta;
  return &meta;
}

bool TcxPCSlantedPainter::IsCutCornerOnly() { return ParentInfo()->TabSlants()->Kind() == skCutCorner; }

Integer TcxPCSlantedPainter::CalculateSlantSize() {
  return IsCutCornerOnly() ? 6 : GetTabNormalHeight() - 1;
}

TcxTabSlantPositions TcxPCSlantedPainter::GetSlantedSides() {
  if (IsCutCornerOnly() || ParentInfo()->Rotate()) return {};
  return ParentInfo()->TabSlants()->Positions();
}

TPoint TcxPCSlantedPainter::GetTabsDistance() {
  Integer n = Integer(GetSlantedSides().Count());
  return TPoint(n > 0 ? -(slantSize_ / 2) * n : 1, -3);
}

Integer TcxPCSlantedPainter::GetImageAreaSize() {
  TcxPCPainterParentInfo* info = ParentInfo();
  if (!info->HasImages()) return 0;
  return info->Images()->BaseImages()->Width() + 2 * info->ImageBorder() + GetImageTextDistance(-1);
}

Integer TcxPCSlantedPainter::GetSlantMinTabWidth() {
  if (ParentInfo()->Rotate()) return 0;
  TcxTabSlantPositions positions = ParentInfo()->TabSlants()->Positions();
  Integer n = Integer(positions.Count());
  if (n == 0) return 8;
  if (IsCutCornerOnly()) return slantSize_ * n + GetFrameWidth() * (2 - n) + 4;
  return slantSize_ * n - 2 * n + 8;
}

Integer TcxPCSlantedPainter::GetMinTabWidth(Integer visibleIndex) {
  Integer leading, trailing;
  GetContentMargins(visibleIndex, leading, trailing);
  return std::max(std::max(leading, trailing) + GetImageAreaSize(), GetSlantMinTabWidth());
}

Integer TcxPCSlantedPainter::CalculateTabNormalWidth(TcxTab* tab) {
  if (ParentInfo()->TabWidth() > 0) return ParentInfo()->TabWidth();
  Integer vi = tab->VisibleIndex();
  Integer leading, trailing;
  GetContentMargins(vi, leading, trailing);
  Integer w = leading + trailing + CaptionTextWidth(tab->Caption());
  if (vi >= 0 && TabHasImage(vi)) w += GetImageAreaSize();
  return std::max(w, GetMinTabWidth(vi));
}

void TcxPCSlantedPainter::GetContentMargins(Integer, Integer& leading, Integer& trailing) {
  Integer fw = GetFrameWidth();
  leading = trailing = fw + 2;
  if (ParentInfo()->Rotate()) return;
  TcxTabSlantPositions positions = ParentInfo()->TabSlants()->Positions();
  Integer slanted = IsCutCornerOnly() ? 6 : slantSize_;
  if (positions.Contains(spLeft)) leading = slanted;
  if (positions.Contains(spRight)) trailing = slanted;
}

void TcxPCSlantedPainter::GetTruncatedContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) {
  GetContentMargins(visibleIndex, leading, trailing);
}

void TcxPCSlantedPainter::GetImageOffsets(Integer visibleIndex, Integer o[4]) {
  Integer fw = GetFrameWidth(), trailing;
  // The content starts after the leading margin, clear of a slanted side.
  GetContentMargins(visibleIndex, o[0], trailing);
  o[1] = ParentInfo()->Rotate() ? fw + 2 : fw + 3;
  o[2] = 0;
  o[3] = 1;
}

void TcxPCSlantedPainter::GetTextOffsets(Integer visibleIndex, Integer o[4]) {
  Integer fw = GetFrameWidth();
  GetContentMargins(visibleIndex, o[0], o[2]);
  o[1] = ParentInfo()->Rotate() ? fw + 3 : fw + 4;
  o[3] = 1;
}

TColor TcxPCSlantedPainter::GetTabBackgroundColor(Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  if (tab->Highlighted()) return clHighlight;
  TColor c = GetTabColor(visibleIndex);
  return c == clDefault ? ParentInfo()->Color() : c;
}

void TcxPCSlantedPainter::GetTopOutline(Integer a1, Integer a2, Integer outer, Integer page, TPoints& points,
                                        TLinePositions& positions) {
  TcxTabSlantPositions sides = GetSlantedSides();
  TcxTabSlantPositions cut = IsCutCornerOnly() && !ParentInfo()->Rotate() ? ParentInfo()->TabSlants()->Positions()
                                                                         : TcxTabSlantPositions{};
  const Integer c = 6;
  if (sides.Contains(spLeft))
    cxPCAddOutlinePoints(points, positions, {TPoint(a1, page), TPoint(a1 + slantSize_, outer)}, lpLT);
  else if (cut.Contains(spLeft))
    cxPCAddOutlinePoints(points, positions, {TPoint(a1, page), TPoint(a1, outer + c), TPoint(a1 + c, outer)}, lpLT);
  else
    cxPCAddOutlinePoints(points, positions, {TPoint(a1, page), TPoint(a1, outer)}, lpL);
  if (sides.Contains(spRight))
    cxPCAddOutlinePoints(points, positions, {TPoint(a2 - 1 - slantSize_, outer), TPoint(a2 - 1, page)}, lpRT);
  else if (cut.Contains(spRight))
    cxPCAddOutlinePoints(points, positions, {TPoint(a2 - 1 - c, outer), TPoint(a2 - 1, outer + c), TPoint(a2 - 1, page)},
                         lpRT);
  else
    cxPCAddOutlinePoints(points, positions, {TPoint(a2 - 1, outer), TPoint(a2 - 1, page)}, lpR);
}

void TcxPCSlantedPainter::GetTabOutline(Integer visibleIndex, TPoints& points, TLinePositions& positions) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  TRect r = tab->FullRect();
  TcxTabPosition side = cxPCTabSide(Control(), tab);
  bool vertical = IsVerticalStrip();
  Integer a1 = vertical ? r.Top : r.Left, a2 = vertical ? r.Bottom : r.Right;
  Integer thick = vertical ? r.Width() : r.Height();
  TPoints local;
  TLinePositions localPositions;
  // Across: 0 at the outer edge, thick - 1 at the page edge.
  GetTopOutline(a1, a2, 0, thick - 1, local, localPositions);
  for (size_t i = 0; i < local.size(); ++i) {
    Integer along = local[i].X, across = local[i].Y;
    TPoint p;
    TLinePosition lp = localPositions[i];
    switch (side) {
      case tpTop: p = TPoint(along, r.Top + across); break;
      case tpBottom:
        p = TPoint(along, r.Bottom - 1 - across);
        lp = lp == lpLT ? lpLB : lp == lpRT ? lpRB : lp;
        break;
      case tpLeft:
        p = TPoint(r.Left + across, along);
        lp = lp == lpL ? lpT : lp == lpR ? lpB : lp == lpRT ? lpLB : lp;
        break;
      default:
        p = TPoint(r.Right - 1 - across, along);
        lp = lp == lpL ? lpT : lp == lpR ? lpB : lp == lpLT ? lpRT : lpRB;
        break;
    }
    points.push_back(p);
    positions.push_back(lp);
  }
}

TcxRegion* TcxPCSlantedPainter::GetTabRegion(Integer visibleIndex) {
  TPoints points;
  TLinePositions positions;
  GetTabOutline(visibleIndex, points, positions);
  return cxPCCreateOutlineRegion(points, positions);
}

TcxRegion* TcxPCSlantedPainter::GetTabClipRegion(Integer visibleIndex) {
  TcxRegion* region = GetTabRegion(visibleIndex);
  region->CombineWith(new TcxRegion(ParentInfo()->VisibleTabs(visibleIndex)->VisibleRect()), roIntersect, true);
  return region;
}

bool TcxPCSlantedPainter::IsPointInTab(Integer visibleIndex, const TPoint& p) {
  std::unique_ptr<TcxRegion> region(GetTabRegion(visibleIndex));
  if (!PtInRegion(region->Handle(), p.X, p.Y)) return false;
  // Where the next tab is the main tab and overlaps, the point belongs to the main tab.
  Integer next = visibleIndex + 1;
  if (next < ParentInfo()->VisibleTabCount() && next == ParentInfo()->MainTabVisibleIndex()) {
    std::unique_ptr<TcxRegion> mainRegion(GetTabRegion(next));
    if (PtInRegion(mainRegion->Handle(), p.X, p.Y)) return false;
  }
  return true;
}

void TcxPCSlantedPainter::GetTabGradientColors(Integer visibleIndex, TColor& from, TColor& to) {
  TColor c = GetTabBackgroundColor(visibleIndex);
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  bool main = visibleIndex == ParentInfo()->MainTabVisibleIndex();
  if (tab->IsHot() && (!main || HighlightsHotMainTab())) {
    from = cxPCLightenColor(c, 20);
    to = TColor(ColorToRGB(c));
  } else {
    from = cxPCLightenColor(c, 13);
    to = ScaleColorByPercent(c, 90);
  }
}

void TcxPCSlantedPainter::PaintTabBackground(TcxCanvas* canvas, Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  TRect r = tab->FullRect();
  // The clip holds the tab's outline region, so filling its rectangle fills the shape.
  if (!ParentInfo()->Options().Contains(pcoGradient)) {
    canvas->FillRectColor(r, GetTabBackgroundColor(visibleIndex));
    return;
  }
  TColor from, to;
  GetTabGradientColors(visibleIndex, from, to);
  TcxTabPosition side = cxPCTabSide(Control(), tab);
  bool reverse = side == tpBottom || side == tpRight;
  FillGradientRect(canvas->DeviceContext(), r, reverse ? to : from, reverse ? from : to, IsVerticalStrip());
}

void TcxPCSlantedPainter::PaintTabBorder(TcxCanvas* canvas, Integer visibleIndex) {
  TPoints points;
  TLinePositions positions;
  GetTabOutline(visibleIndex, points, positions);
  canvas->CurrentPen()->SetColor(GetFrameColor());
  canvas->CurrentPen()->SetStyle(psSolid);
  canvas->CurrentPen()->SetWidth(1);
  canvas->DrawPolyline(points.data(), Integer(points.size()));
  // The last point of a polyline is not drawn.
  const TPoint& last = points.back();
  canvas->PutPixel(last.X, last.Y, GetFrameColor());
}

void TcxPCSlantedPainter::PaintHotTrackMarker(TcxCanvas* canvas, Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  if (!tab->IsHot() && visibleIndex != ParentInfo()->MainTabVisibleIndex()) return;
  TRect r = tab->FullRect();
  Integer n = GetFrameWidth() + 3;
  switch (cxPCTabSide(Control(), tab)) {
    case tpTop: r.Bottom = r.Top + n; break;
    case tpBottom: r.Top = r.Bottom - n; break;
    case tpLeft: r.Right = r.Left + n; break;
    case tpRight: r.Left = r.Right - n; break;
  }
  canvas->FillRectColor(r, clHighlight);
}

void TcxPCSlantedPainter::PaintTabFrame(TcxCanvas* canvas, Integer visibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  PaintTabBackground(canvas, visibleIndex);
  PaintHotTrackMarker(canvas, visibleIndex);
  PaintTabBorder(canvas, visibleIndex);
  if (visibleIndex == ParentInfo()->MainTabVisibleIndex() && ParentInfo()->Focused() && tab->RealEnabled()) {
    TRect f = ImageAndTextInfo().TextRect;
    if (!f.IsEmpty()) {
      canvas->CurrentFont()->SetColor(clBtnText);
      canvas->DrawFocusFrame(GrowRect(f, 1, 1));
    }
  }
}

void TcxPCSlantedPainter::PaintRowBaseLine(TcxCanvas* canvas, Integer firstVisible, Integer lastVisible) {
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxTab* first = info->VisibleTabs(firstVisible);
  TRect area = first->OnStartSide() ? info->StartTabArea() : info->EndTabArea();
  TcxTabPosition side = cxPCTabSide(Control(), first);
  Integer across = (side == tpTop || side == tpLeft) ? first->LayoutOrigin.Y + first->Thickness() - 1
                                                     : first->LayoutOrigin.Y;
  TRect line = StripRect(IsVerticalStrip() ? area.Top : area.Left, across,
                         IsVerticalStrip() ? area.Bottom : area.Right, across + 1);
  canvas->FillRectColor(line, GetFrameColor());
}

void TcxPCSlantedPainter::PaintTabs(TcxCanvas* canvas) {
  TcxCustomTabControl* c = Control();
  TcxPCPainterParentInfo* info = ParentInfo();
  if (c->VisibleTabCount() == 0 || c->RowCount() == 0) return;
  Integer main = info->MainTabVisibleIndex();
  bool all = c->MultiLine() && c->RowCount() > 1;
  Integer first = all ? 0 : c->FirstVisibleTab();
  Integer last = all ? c->VisibleTabCount() - 1 : std::min(c->LastVisibleTab(), c->VisibleTabCount() - 1);
  if (first < 0) return;
  if (main >= first && main <= last) PaintTab(canvas, main);
  // Rows by visible row: the start-side rows from the page outward, then the end-side rows.
  std::vector<std::vector<Integer>> rows(size_t(c->RowCount()));
  for (Integer i = first; i <= last; ++i) rows[size_t(info->VisibleTabs(i)->VisibleRow)].push_back(i);
  std::vector<Integer> order;
  for (Integer r = info->RowsAtStart() - 1; r >= 0; --r) order.push_back(r);
  for (Integer r = info->RowsAtStart(); r < c->RowCount(); ++r) order.push_back(r);
  for (Integer r : order) {
    const std::vector<Integer>& tabs = rows[size_t(r)];
    if (tabs.empty()) continue;
    for (Integer i : tabs)
      if (i != main) PaintTab(canvas, i);
    PaintRowBaseLine(canvas, tabs.front(), tabs.back());
  }
}

void TcxPCSlantedPainter::DrawPageFrame(TcxCanvas* canvas, const TRect& r) {
  canvas->DrawFrameSides(r, GetFrameColor(), 1);
}

Integer TcxPCSlantedPainter::GetNavigatorButtonWidth(TcxPCNavigatorButton button) {
  switch (button) {
    case nbGoDialog: return 13;
    case nbClose: return 16;
    default: return 17;
  }
}

Integer TcxPCSlantedPainter::GetButtonsDistance(TcxPCNavigatorButton a, TcxPCNavigatorButton b) {
  return a == nbClose || b == nbClose ? 3 : 1;
}

TColor TcxPCSlantedPainter::GetButtonFaceColor(TcxPCNavigatorButton button) {
  switch (ParentInfo()->NavigatorButtonState(button)) {
    case nbsHotTrack: return MixColorsByPercent(clBtnFace, clWhite, 35);
    case nbsPressed: return MixColorsByPercent(clBtnFace, clBlack, 90);
    default: return clBtnFace;
  }
}

TColor TcxPCSlantedPainter::GetButtonGlyphColor(TcxPCNavigatorButton button) {
  if (ParentInfo()->NavigatorButtonState(button) == nbsDisabled || !ParentInfo()->Enabled()) return clBtnShadow;
  return clBtnText;
}

void TcxPCSlantedPainter::PaintButtonFrame(TcxCanvas* canvas, TcxPCNavigatorButton button, TRect& r) {
  TcxPCNavigatorButtonState s = ParentInfo()->NavigatorButtonState(button);
  canvas->DrawFrameSides(r, s == nbsHotTrack || s == nbsPressed ? clBlack : clBtnShadow, 1);
  r = GrowRect(r, -1, -1);
}

void TcxPCSlantedPainter::PaintButtonGlyph(TcxCanvas* canvas, TcxPCNavigatorButton button, const TRect& r) {
  TColor glyph = GetButtonGlyphColor(button);
  DrawGlyph(canvas, button, r, glyph, glyph);
}

// ---- the OneNote painter -------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxPCOneNotePainter)

TcxPCPainterClass TcxPCOneNotePainter::Class() {
  static const TcxPCOneNotePainterMeta meta;
  return &meta;
}

void TcxPCOneNotePainter::GetContentMargins(Integer, Integer& leading, Integer& trailing) {
  leading = slantSize_;
  trailing = 4;
  if (IsVerticalText() && IsTopToBottomText()) std::swap(leading, trailing);
}

void TcxPCOneNotePainter::GetImageOffsets(Integer visibleIndex, Integer o[4]) {
  Integer trailing;
  GetContentMargins(visibleIndex, o[0], trailing);
  o[1] = 3;
  o[2] = 0;
  o[3] = 1;
}

void TcxPCOneNotePainter::GetTextOffsets(Integer visibleIndex, Integer o[4]) {
  GetContentMargins(visibleIndex, o[0], o[2]);
  o[1] = 4;
  o[3] = 1;
}

void TcxPCOneNotePainter::CalculateTabsArea(const TcxPCNavigatorButtons& buttons, TcxPCTabsArea& area) {
  TcxPCSlantedPainter::CalculateTabsArea(buttons, area);
  area.AlongStart += 4;
  area.AlongEnd -= 4;
}

TColor TcxPCOneNotePainter::GetTabBackgroundColor(Integer visibleIndex) {
  TColor c = TcxPCSlantedPainter::GetTabBackgroundColor(visibleIndex);
  TcxTab* tab = ParentInfo()->VisibleTabs(visibleIndex);
  if (visibleIndex == ParentInfo()->MainTabVisibleIndex() || tab->Highlighted()) return c;
  // The other tabs lie a shade darker, in the colour of the band behind the main tab.
  return MixColorsByPercent(c, GetFrameColor(), 85);
}

void TcxPCOneNotePainter::GetTopOutline(Integer a1, Integer a2, Integer outer, Integer page, TPoints& points,
                                        TLinePositions& positions) {
  // The leading side rises in a smooth curve over the slant size; the trailing side is upright
  // with a rounded corner.
  const Integer steps = 10;
  Integer h = page - outer;
  for (Integer i = 0; i <= steps; ++i) {
    long double t = (long double)i / steps;
    long double s = t * t * (3 - 2 * t);
    cxPCAddOutlinePoints(points, positions,
                         {TPoint(a1 + Integer(std::lround(t * slantSize_)), page - Integer(std::lround(s * h)))},
                         i == 0 ? lpL : lpLT);
  }
  cxPCAddOutlinePoints(points, positions,
                       {TPoint(a2 - 3, outer), TPoint(a2 - 1, outer + 2), TPoint(a2 - 1, page)}, lpRT);
}

void TcxPCOneNotePainter::PaintTabBorder(TcxCanvas* canvas, Integer visibleIndex) {
  TPoints points;
  TLinePositions positions;
  GetTabOutline(visibleIndex, points, positions);
  TColor tab = GetTabBackgroundColor(visibleIndex);
  canvas->CurrentPen()->SetStyle(psSolid);
  canvas->CurrentPen()->SetWidth(1);
  canvas->CurrentPen()->SetColor(MixColorsByPercent(GetFrameColor(), tab, 50));
  canvas->DrawPolyline(points.data(), Integer(points.size()));
  canvas->PutPixel(points.back().X, points.back().Y, MixColorsByPercent(GetFrameColor(), tab, 25));
}
