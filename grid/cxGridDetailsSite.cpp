// The details site base and its painter.
#include "grid/cxGridDetailsSite.h"

#include <algorithm>
#include <climits>

#include "data/cxCustomData.h"
#include "grid/cxGrid.h"

KORVAN_IMPLEMENT_CLASS(TcxGridDetailsSiteTabHitTest)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridDetailsSiteViewInfo)

TcxCustomGridDetailsSiteViewInfo::TcxCustomGridDetailsSiteViewInfo(TcxGridLevel* level)
    : TcxComponent(nullptr), level_(level) {}

TcxCustomGridDetailsSiteViewInfo::~TcxCustomGridDetailsSiteViewInfo() {
  if (activeGridView_) activeGridView_->RemoveFreeNotification(this);
}

void TcxCustomGridDetailsSiteViewInfo::BeforeDestruction() {
  // The site tells its view that it goes away while the descendants' answers still exist.
  VisibilityChanged(false);
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
  return std::min(std::max(width, GetMinWidth()), GetMaxWidth());
}

void TcxCustomGridDetailsSiteViewInfo::Calculate(Integer left, Integer top) {
  Bounds = TRect(left, top, left, top);
  Integer width = GetWidth();
  Integer height = GetHeight();
  Bounds = TRect(left, top, left + width, top + height);
  if (HasActiveGridView()) GetActiveGridView()->ViewInfo()->PlaceAndCalculate(ClientBounds());
}

TcxCustomGridHitTest* TcxCustomGridDetailsSiteViewInfo::GetHitTest(const TPoint& p) {
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

void TcxGridDetailsSitePainter::Paint() {
  if (site_->GetFrameWidth() != 0) DrawFrame();
  DrawTabs();
  DrawBackground();
  canvas_->ExcludeFromClip(site_->Bounds);
}
