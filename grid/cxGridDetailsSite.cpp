// The details site base, its tab strips, tabs and painters.
#include "grid/cxGridDetailsSite.h"

#include <algorithm>
#include <climits>

#include "data/cxCustomData.h"
#include "data/cxCustomDataInternal.h"
#include "grid/cxGrid.h"
#include "vcl/Menus.h"

KORVAN_IMPLEMENT_CLASS(TcxGridDetailsSiteTabHitTest)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridDetailsSiteViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridDetailsSiteTabsViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridDetailsSiteLeftTabsViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridDetailsSiteTopTabsViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridDetailsSiteTabViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridDetailsSiteLeftTabViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridDetailsSiteTopTabViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridDetailsSiteTabPainter)

using cxdata_internal::Finally;

TcxCustomGridDetailsSiteViewInfo::TcxCustomGridDetailsSiteViewInfo(TcxGridLevel* level)
    : TcxComponent(nullptr), level_(level) {
  TClass cls = GetTabsViewInfoClass();
  if (cls == TcxGridDetailsSiteLeftTabsViewInfo::StaticClass())
    tabsViewInfo_ = new TcxGridDetailsSiteLeftTabsViewInfo(this);
  else if (cls == TcxGridDetailsSiteTopTabsViewInfo::StaticClass())
    tabsViewInfo_ = new TcxGridDetailsSiteTopTabsViewInfo(this);
  if (tabsViewInfo_) tabsViewInfo_->CreateTabs();
}

TcxCustomGridDetailsSiteViewInfo::~TcxCustomGridDetailsSiteViewInfo() {
  if (activeGridView_) activeGridView_->RemoveFreeNotification(this);
  delete tabsViewInfo_;
}

TClass TcxCustomGridDetailsSiteViewInfo::GetTabsViewInfoClass() {
  if (!level_) return nullptr;
  switch (level_->Options()->DetailTabsPosition()) {
    case dtpLeft: return TcxGridDetailsSiteLeftTabsViewInfo::StaticClass();
    case dtpTop: return TcxGridDetailsSiteTopTabsViewInfo::StaticClass();
    default: return nullptr;
  }
}

bool TcxCustomGridDetailsSiteViewInfo::ProcessDialogChar(Word key) {
  return tabsViewInfo_ && tabsViewInfo_->ProcessDialogChar(key);
}

void TcxCustomGridDetailsSiteViewInfo::BeforeDestruction() {
  // The site tells its view that it goes away while the descendants' answers still exist.
  VisibilityChanged(false);
  // Tabs reach the descendants' answers (control, painter) while they go.
  delete tabsViewInfo_;
  tabsViewInfo_ = nullptr;
  TcxComponent::BeforeDestruction();
}

void TcxCustomGridDetailsSiteViewInfo::Notification(TComponent* c, TOperation operation) {
  TcxComponent::Notification(c, operation);
  if (operation == opRemove && c == activeGridView_) activeGridView_ = nullptr;
}

bool TcxCustomGridDetailsSiteViewInfo::HasActiveGridView() {
  TcxCustomGridView* view = GetActiveGridView();
  return view && !view->IsDestroying();
}

TcxCustomGridView* TcxCustomGridDetailsSiteViewInfo::GetActiveGridView() {
  if (!activeGridViewFound_) {
    activeGridViewFound_ = true;
    activeGridView_ = FindActiveGridView();
    if (activeGridView_) activeGridView_->FreeNotification(this);
  }
  if (activeGridView_ && activeGridView_->IsDestroying()) return nullptr;
  return activeGridView_;
}

TColor TcxCustomGridDetailsSiteViewInfo::GetBackgroundColor() {
  TcxCustomGrid* grid = level_ ? level_->Control() : nullptr;
  return grid ? grid->Color() : clBtnFace;
}

void TcxCustomGridDetailsSiteViewInfo::GetClientBounds(TRect& r) {
  r = Bounds;
  if (tabsViewInfo_) tabsViewInfo_->AdjustClientBounds(r);
  Integer w = GetFrameWidth();
  r = TRect(r.Left + w, r.Top + w, r.Right - w, r.Bottom - w);
}

TColor TcxCustomGridDetailsSiteViewInfo::GetFrameColor() { return level_->Options()->GetDetailFrameColor(); }

Integer TcxCustomGridDetailsSiteViewInfo::GetFrameWidth() { return level_->Options()->DetailFrameWidth(); }

Integer TcxCustomGridDetailsSiteViewInfo::GetMaxNaturalHeight() { return INT_MAX; }

TRect TcxCustomGridDetailsSiteViewInfo::GetFrameBounds() {
  TRect r = ClientBounds();
  Integer w = GetFrameWidth();
  return TRect(r.Left - w, r.Top - w, r.Right + w, r.Bottom + w);
}

Integer TcxCustomGridDetailsSiteViewInfo::CalculateHeight() {
  Integer height;
  if (HasActiveGridView()) {
    ViewFits = false;
    GetActiveGridView()->ViewInfo()->GetHeight(TPoint(GetMaxClientWidth(), GetMaxClientHeight()), height, ViewFits);
  } else {
    ViewFits = true;
    height = GetEmptyClientHeight();
  }
  height += GetNonClientHeight();
  if (tabsViewInfo_) tabsViewInfo_->AdjustSiteHeight(height);
  NaturalHeight = std::min(height, GetMaxNaturalHeight());
  if (GetViewFits())
    height = std::max(std::min(height, GetMaxHeight()), 0);
  else
    height = GetMaxHeight();
  if (NaturalHeight < height) NaturalHeight = height;
  return height;
}

Integer TcxCustomGridDetailsSiteViewInfo::CalculateWidth() {
  Integer width;
  if (HasActiveGridView())
    width = GetActiveGridView()->ViewInfo()->GetWidth(TPoint(GetMaxClientWidth(), GetMaxClientHeight()));
  else
    width = GetEmptyClientWidth();
  width += GetNonClientWidth();
  if (tabsViewInfo_) tabsViewInfo_->AdjustSiteWidth(width);
  return std::min(std::max(width, GetMinWidth()), GetMaxWidth());
}

void TcxCustomGridDetailsSiteViewInfo::Calculate(Integer left, Integer top) {
  Bounds = TRect(left, top, left, top);
  Integer width = GetWidth();
  Integer height = GetHeight();
  Bounds = TRect(left, top, left + width, top + height);
  if (tabsViewInfo_) tabsViewInfo_->Calculate(Bounds);
  if (HasActiveGridView()) GetActiveGridView()->ViewInfo()->PlaceAndCalculate(ClientBounds());
}

TcxCustomGridHitTest* TcxCustomGridDetailsSiteViewInfo::GetHitTest(const TPoint& p) {
  if (tabsViewInfo_)
    if (TcxCustomGridHitTest* hitTest = tabsViewInfo_->GetHitTest(p)) return hitTest;
  if (!HasActiveGridView()) return nullptr;
  TcxCustomGridView* view = GetActiveGridView();
  TcxGridSite* site = view->Site();
  if (!site) return nullptr;
  return view->ViewInfo()->GetHitTest(TPoint(p.X - site->Left(), p.Y - site->Top()));
}

void TcxCustomGridDetailsSiteViewInfo::VisibilityChanged(bool visible) {
  if (HasActiveGridView()) GetActiveGridView()->ViewInfo()->VisibilityChanged(visible);
}

void TcxCustomGridDetailsSiteViewInfo::Paint(TcxCanvas* canvas) {
  TcxGridDetailsSitePainter painter(canvas, this);
  painter.Paint();
}

// ---- painter ----------------------------------------------------------------------------------

void TcxGridDetailsSitePainter::DrawBackground() {
  canvas_->FillRectColor(site_->ClientBounds(), site_->GetBackgroundColor());
}

void TcxGridDetailsSitePainter::DrawFrame() {
  canvas_->DrawFrameSides(site_->GetFrameBounds(), site_->GetFrameColor(), site_->GetFrameWidth());
}

void TcxGridDetailsSitePainter::DrawTabs() {
  if (TcxCustomGridDetailsSiteTabsViewInfo* tabs = site_->TabsViewInfo()) tabs->Paint(canvas_);
}

void TcxGridDetailsSitePainter::Paint() {
  if (site_->GetFrameWidth() != 0) DrawFrame();
  DrawTabs();
  DrawBackground();
  canvas_->ExcludeFromClip(site_->Bounds);
}

// ---- tab strips ---------------------------------------------------------------------------------------

TcxCustomGridDetailsSiteTabsViewInfo::TcxCustomGridDetailsSiteTabsViewInfo(TcxCustomGridDetailsSiteViewInfo* site)
    : site_(site) {}

TcxCustomGridDetailsSiteTabsViewInfo::~TcxCustomGridDetailsSiteTabsViewInfo() {
  for (TcxCustomGridDetailsSiteTabViewInfo* tab : tabs_) tab->Free();
}

void TcxCustomGridDetailsSiteTabsViewInfo::CreateTabs() {
  TcxGridLevel* level = site_->Level();
  for (Integer i = 0; i < level->VisibleCount(); ++i) tabs_.push_back(CreateTab(level->VisibleItems(i)));
}

Integer TcxCustomGridDetailsSiteTabsViewInfo::CalculateHeight() {
  Integer h = 4;
  for (TcxCustomGridDetailsSiteTabViewInfo* tab : tabs_) h += GetTabHeight(tab);
  return h;
}

Integer TcxCustomGridDetailsSiteTabsViewInfo::CalculateWidth() {
  Integer w = 0;
  for (TcxCustomGridDetailsSiteTabViewInfo* tab : tabs_) w = std::max(w, GetTabWidth(tab));
  if (GetTabCount() > 1) w += GetActiveTabOffset();
  return w + 5;
}

TColor TcxCustomGridDetailsSiteTabsViewInfo::GetBackgroundColor() {
  TcxStyleParams params;
  TcxGridLevelStyles* styles = site_->Level()->Styles();
  styles->ResolveViewParams(TcxGridLevelStyles::lsTabsBackground, nullptr, styles->TabsBackground(), params);
  return params.Color;
}

Integer TcxCustomGridDetailsSiteTabsViewInfo::GetTabHeight(TcxCustomGridDetailsSiteTabViewInfo* tab) {
  tab->EnsureTextAndParams();
  return tab->CalculateHeight();
}

Integer TcxCustomGridDetailsSiteTabsViewInfo::GetTabWidth(TcxCustomGridDetailsSiteTabViewInfo* tab) {
  tab->EnsureTextAndParams();
  return tab->CalculateWidth();
}

Integer TcxCustomGridDetailsSiteTabsViewInfo::GetHeight() {
  if (height_ == 0) height_ = CalculateHeight();
  return height_;
}

Integer TcxCustomGridDetailsSiteTabsViewInfo::GetWidth() {
  if (width_ == 0) width_ = CalculateWidth();
  return width_;
}

void TcxCustomGridDetailsSiteTabsViewInfo::Calculate(const TRect& bounds) {
  Bounds = bounds;
  const bool vertical = IsVertical();
  Integer left = Bounds.Left + 2, top = Bounds.Top + 2;
  // An active first tab starts its border earlier, over the strip's margin.
  if (!tabs_.empty() && tabs_.front()->IsActive()) {
    const Integer border = tabs_.front()->GetBorderWidth(vertical ? bTop : bLeft);
    (vertical ? top : left) -= border;
  }
  for (TcxCustomGridDetailsSiteTabViewInfo* tab : tabs_) {
    if (vertical) {
      tab->CalculateTab(left, top, GetTabCrossSize(), -1);
      top += tab->Bounds.Height();
    } else {
      tab->CalculateTab(left, top, -1, GetTabCrossSize());
      left += tab->Bounds.Width();
    }
  }
}

TcxCustomGridHitTest* TcxCustomGridDetailsSiteTabsViewInfo::GetHitTest(const TPoint& p) {
  for (TcxCustomGridDetailsSiteTabViewInfo* tab : tabs_)
    if (tab->Calculated())
      if (TcxCustomGridHitTest* hitTest = tab->GetHitTest(p)) return hitTest;
  return nullptr;
}

bool TcxCustomGridDetailsSiteTabsViewInfo::ProcessDialogChar(Word key) {
  for (TcxCustomGridDetailsSiteTabViewInfo* tab : tabs_)
    if (tab->IsVisible() && tab->ProcessDialogChar(key)) return true;
  return false;
}

void TcxCustomGridDetailsSiteTabsViewInfo::Paint(TcxCanvas* canvas) {
  TcxGridDetailsSiteTabsPainter painter(canvas, this);
  painter.Paint();
}

void TcxGridDetailsSiteLeftTabsViewInfo::AdjustSiteHeight(Integer& height) { height = std::max(height, GetHeight()); }

void TcxGridDetailsSiteLeftTabsViewInfo::GetPaneBounds(TRect& r) {
  r = Bounds;
  r.Left = r.Right - StripWidth;
}

void TcxGridDetailsSiteLeftTabsViewInfo::Calculate(const TRect& bounds) {
  TcxCustomGridDetailsSiteTabsViewInfo::Calculate(bounds);
  Bounds.Right = Bounds.Left + GetWidth();
}

TcxCustomGridDetailsSiteTabViewInfo* TcxGridDetailsSiteLeftTabsViewInfo::CreateTab(TcxGridLevel* level) {
  return new TcxGridDetailsSiteLeftTabViewInfo(this, level);
}

Integer TcxGridDetailsSiteTopTabsViewInfo::CalculateHeight() {
  Integer h = 0;
  for (Integer i = 0; i < GetTabCount(); ++i) h = std::max(h, GetTabHeight(GetTab(i)));
  if (GetTabCount() > 1) h += GetActiveTabOffset();
  return h + 5;
}

Integer TcxGridDetailsSiteTopTabsViewInfo::CalculateWidth() {
  Integer w = 4;
  for (Integer i = 0; i < GetTabCount(); ++i) w += GetTabWidth(GetTab(i));
  return w;
}

void TcxGridDetailsSiteTopTabsViewInfo::AdjustSiteWidth(Integer& width) { width = std::max(width, GetWidth()); }

void TcxGridDetailsSiteTopTabsViewInfo::GetPaneBounds(TRect& r) {
  r = Bounds;
  r.Top = r.Bottom - StripWidth;
}

void TcxGridDetailsSiteTopTabsViewInfo::Calculate(const TRect& bounds) {
  TcxCustomGridDetailsSiteTabsViewInfo::Calculate(bounds);
  Bounds.Bottom = Bounds.Top + GetHeight();
}

TcxCustomGridDetailsSiteTabViewInfo* TcxGridDetailsSiteTopTabsViewInfo::CreateTab(TcxGridLevel* level) {
  return new TcxGridDetailsSiteTopTabViewInfo(this, level);
}

// ---- tabs -------------------------------------------------------------------------------------------------

TcxCustomGridDetailsSiteTabViewInfo::TcxCustomGridDetailsSiteTabViewInfo(TcxCustomGridDetailsSiteTabsViewInfo* tabs,
                                                                         TcxGridLevel* level)
    : tabs_(tabs), level_(level), visibleIndex_(level->VisibleIndex()) {}

Integer TcxCustomGridDetailsSiteTabViewInfo::CalculateHeight() { return CalculateHeightForText(); }

Integer TcxCustomGridDetailsSiteTabViewInfo::CalculateWidth() { return CalculateWidthForText() + 10; }

Integer TcxCustomGridDetailsSiteTabViewInfo::GetBorderWidth(TcxBorder) {
  return Site()->GetLookAndFeelPainter()->TabFrameWidth(tabs_->IsVertical());
}

TcxCanvas* TcxCustomGridDetailsSiteTabViewInfo::GetCanvas() { return Site()->GetCanvas(); }

TcxControl* TcxCustomGridDetailsSiteTabViewInfo::GetControl() { return Site()->GetControl(); }

TClass TcxCustomGridDetailsSiteTabViewInfo::GetHitTestClass() { return TcxGridDetailsSiteTabHitTest::StaticClass(); }

bool TcxCustomGridDetailsSiteTabViewInfo::IsHotTrackable() {
  return Site()->GetLookAndFeelPainter()->TabsHotTrack(tabs_->IsVertical());
}

TcxCustomGridCellPainterClass TcxCustomGridDetailsSiteTabViewInfo::GetPainterClass() {
  return TcxGridDetailsSiteTabPainter::StaticClass();
}

String TcxCustomGridDetailsSiteTabViewInfo::GetText() { return level_->Caption(); }

TRect TcxCustomGridDetailsSiteTabViewInfo::GetTextAreaBounds() {
  TRect r = TcxCustomGridCellViewInfo::GetTextAreaBounds();
  r.Left += 5;
  r.Right -= 5;
  return r;
}

TcxTextFlags TcxCustomGridDetailsSiteTabViewInfo::GetTextAttributes(bool forPainting) {
  TcxTextFlags flags = TcxCustomGridCellViewInfo::GetTextAttributes(forPainting);
  if (Site()->SupportsTabAccelerators()) flags |= ctfShowPrefix;
  return flags;
}

String TcxCustomGridDetailsSiteTabViewInfo::GetDisplayText() {
  return Site()->SupportsTabAccelerators() ? TcxCustomGridCellViewInfo::GetDisplayText() : level_->DisplayCaption();
}

void TcxCustomGridDetailsSiteTabViewInfo::GetViewParams(TcxStyleParams& params) {
  Site()->Level()->Styles()->GetTabParams(Site()->GetMasterRecord(), level_, params);
}

void TcxCustomGridDetailsSiteTabViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  TcxCustomGridCellViewInfo::InitHitTest(hitTest);
  auto* tabHitTest = static_cast<TcxGridDetailsSiteTabHitTest*>(hitTest);
  tabHitTest->SetLevel(level_);
  tabHitTest->SetOwner(nullptr);
  Site()->InitTabHitTest(tabHitTest);
}

bool TcxCustomGridDetailsSiteTabViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button,
                                                    TShiftState shift) {
  TcxCustomGridCellViewInfo::MouseDown(hitTest, button, shift);
  // Changing the tab may free the site and this tab with it: nothing of it is read after.
  TcxCustomGridDetailsSiteViewInfo* site = Site();
  TcxGridLevel* level = level_;
  site->ChangeActiveTab(level, false);
  return true;
}

TcxGridCellState TcxCustomGridDetailsSiteTabViewInfo::GetState() {
  return IsActive() ? gcsPressed : TcxCustomGridCellViewInfo::GetState();
}

void TcxCustomGridDetailsSiteTabViewInfo::CalculateTab(Integer left, Integer top, Integer width, Integer height) {
  ResetCalculated();
  CalculateAt(left, top, width, height);
}

bool TcxCustomGridDetailsSiteTabViewInfo::ProcessDialogChar(Word key) {
  if (!Site()->SupportsTabAccelerators() || !IsAccel(char32_t(key), level_->Caption())) return false;
  Site()->ChangeActiveTab(level_, true);
  return true;
}

bool TcxCustomGridDetailsSiteTabViewInfo::IsActive() { return Site()->GetActiveLevel() == level_; }

bool TcxCustomGridDetailsSiteTabViewInfo::IsFirstOrAfterInactive() {
  const Integer i = visibleIndex_;
  return i == 0 || !tabs_->GetTab(i - 1)->IsActive();
}

bool TcxCustomGridDetailsSiteTabViewInfo::IsLastOrBeforeInactive() {
  const Integer i = visibleIndex_;
  return i == tabs_->GetTabCount() - 1 || !tabs_->GetTab(i + 1)->IsActive();
}

Integer TcxGridDetailsSiteLeftTabViewInfo::CalculateHeight() {
  Integer h = TcxCustomGridDetailsSiteTabViewInfo::CalculateHeight();
  if (IsActive()) h += GetBorderWidth(bTop) + GetBorderWidth(bBottom);
  return h + EffectiveBorderWidth(bTop) + EffectiveBorderWidth(bBottom);
}

Integer TcxGridDetailsSiteLeftTabViewInfo::CalculateWidth() {
  return TcxCustomGridDetailsSiteTabViewInfo::CalculateWidth() + EffectiveBorderWidth(bLeft) +
         EffectiveBorderWidth(bRight);
}

TcxBorders TcxGridDetailsSiteLeftTabViewInfo::GetBorders() {
  if (IsActive()) return TcxBorders{bLeft, bTop, bBottom};
  TcxBorders borders{bLeft, bRight};
  if (IsFirstOrAfterInactive()) borders += bTop;
  if (IsLastOrBeforeInactive()) borders += bBottom;
  return borders;
}

void TcxGridDetailsSiteLeftTabViewInfo::CalculateTab(Integer left, Integer top, Integer width, Integer height) {
  if (!IsActive()) {
    left += Tabs()->GetActiveTabOffset();
    width -= Tabs()->GetActiveTabOffset();
  }
  TcxCustomGridDetailsSiteTabViewInfo::CalculateTab(left, top, width, height);
}

Integer TcxGridDetailsSiteTopTabViewInfo::CalculateHeight() {
  return TcxCustomGridDetailsSiteTabViewInfo::CalculateHeight() + EffectiveBorderWidth(bTop) +
         EffectiveBorderWidth(bBottom);
}

Integer TcxGridDetailsSiteTopTabViewInfo::CalculateWidth() {
  Integer w = TcxCustomGridDetailsSiteTabViewInfo::CalculateWidth();
  if (IsActive()) w += GetBorderWidth(bLeft) + GetBorderWidth(bRight);
  return w + EffectiveBorderWidth(bLeft) + EffectiveBorderWidth(bRight);
}

TcxBorders TcxGridDetailsSiteTopTabViewInfo::GetBorders() {
  if (IsActive()) return TcxBorders{bLeft, bTop, bRight};
  TcxBorders borders{bTop, bBottom};
  if (IsFirstOrAfterInactive()) borders += bLeft;
  if (IsLastOrBeforeInactive()) borders += bRight;
  return borders;
}

void TcxGridDetailsSiteTopTabViewInfo::CalculateTab(Integer left, Integer top, Integer width, Integer height) {
  if (!IsActive()) {
    top += Tabs()->GetActiveTabOffset();
    height -= Tabs()->GetActiveTabOffset();
  }
  TcxCustomGridDetailsSiteTabViewInfo::CalculateTab(left, top, width, height);
}

// ---- tab painters ----------------------------------------------------------------------------------------

void TcxGridDetailsSiteTabsPainter::DrawBackground() { canvas_->FillRectColor(tabs_->Bounds, tabs_->GetBackgroundColor()); }

void TcxGridDetailsSiteTabsPainter::DrawItems() {
  for (Integer i = 0; i < tabs_->GetTabCount(); ++i) tabs_->GetTab(i)->Paint(canvas_);
}

void TcxGridDetailsSiteTabsPainter::DrawPane() {
  tabs_->Site()->GetLookAndFeelPainter()->PaintTabPane(canvas_, tabs_->PaneBounds(), tabs_->GetPaneBorders(),
                                                      tabs_->IsVertical());
}

void TcxGridDetailsSiteTabsPainter::Paint() {
  TcxRegion* saved = canvas_->CopyClipRegion();
  Finally restore{[&] { canvas_->ApplyClipRegion(saved, roSet, true); }};
  canvas_->IntersectClip(tabs_->Bounds);
  DrawBackground();
  DrawPane();
  DrawItems();
}

void TcxGridDetailsSiteTabPainter::PaintBorderSide(TcxBorder side) {
  TcxCustomGridDetailsSiteTabViewInfo* tab = Tab();
  tab->Site()->GetLookAndFeelPainter()->PaintTabFrame(Canvas(), tab->GetSideBorderRect(side), side, tab->Borders,
                                                      tab->Tabs()->IsVertical());
}

void TcxGridDetailsSiteTabPainter::DrawContent() {
  TcxCustomGridDetailsSiteTabViewInfo* tab = Tab();
  TcxCustomLookAndFeelPainterClass painter = tab->Site()->GetLookAndFeelPainter();
  const bool vertical = tab->Tabs()->IsVertical();
  if (!painter->PaintsWholeTabs(vertical)) {
    TcxCustomGridCellPainter::DrawContent();
    return;
  }
  painter->PaintTab(Canvas(), tab->Bounds, tab->Borders, tab->GetDisplayText(),
                    GridCellStateToButtonState(tab->State()), vertical, tab->Params.Font, tab->Params.TextColor,
                    tab->Params.Color, tab->Site()->SupportsTabAccelerators());
}

void InitializeCxGridDetailsSite() {
  RegisterGridCellPainterFactory(TcxGridDetailsSiteTabPainter::StaticClass(),
                                 [](TcxCanvas* c, TcxCustomGridCellViewInfo* v) -> TcxCustomGridCellPainter* {
                                   return new TcxGridDetailsSiteTabPainter(c, v);
                                 });
}
