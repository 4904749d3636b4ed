// Master rows: the expand button column, the details area and the details site that hosts the
// detail view of the row's active child level (unit cxGridRows).
#include <algorithm>
#include <climits>

#include "data/cxCustomData.h"
#include "gridviews/cxGridRows.h"

KORVAN_IMPLEMENT_CLASS(TcxGridDetailsSiteViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridExpandButtonCellViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridExpandButtonCellPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridDetailsAreaViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridMasterDataRowViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridMasterDataRowPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridDragOpenInfoMasterDataRowTab)

TcxGridRecordViewInfoClass TcxGridMasterDataRow::GetViewInfoClass() {
  return GridRecordViewInfoClassOf<TcxGridMasterDataRowViewInfo>();
}

// ---- the details site ---------------------------------------------------------------------------------

TcxGridDetailsSiteViewInfo::TcxGridDetailsSiteViewInfo(TcxGridMasterDataRowViewInfo* row)
    : TcxCustomGridDetailsSiteViewInfo(row->GridView()->Level()), row_(row) {}

TcxGridMasterDataRow* TcxGridDetailsSiteViewInfo::MasterDataRow() const {
  // A view being freed has lost its data controller: its rows show nothing any more.
  TcxCustomGridView* view = row_->GridView();
  if (!view || view->IsDestroying() || !view->DataController()) return nullptr;
  return row_->MasterDataRow();
}

TcxCanvas* TcxGridDetailsSiteViewInfo::GetCanvas() { return row_->GridViewInfo()->GetCanvas(); }

TcxControl* TcxGridDetailsSiteViewInfo::GetControl() { return row_->GridView()->Site(); }

bool TcxGridDetailsSiteViewInfo::GetViewFits() { return heightCalculated_ ? fits_ : ViewFits; }

Integer TcxGridDetailsSiteViewInfo::GetHeight() {
  if (!heightCalculated_) {
    height_ = CalculateHeight();
    fits_ = ViewFits;
    naturalHeight_ = NaturalHeight;
    heightCalculated_ = true;
  }
  return height_;
}

Integer TcxGridDetailsSiteViewInfo::GetNaturalHeight() {
  GetHeight();
  return naturalHeight_;
}

Integer TcxGridDetailsSiteViewInfo::GetWidth() {
  if (!widthCalculated_) {
    width_ = CalculateWidth();
    widthCalculated_ = true;
  }
  return width_;
}

void TcxGridDetailsSiteViewInfo::ResetCalculated() { heightCalculated_ = widthCalculated_ = false; }

TcxCustomLookAndFeelPainterClass TcxGridDetailsSiteViewInfo::GetLookAndFeelPainter() {
  return row_->GridViewInfo()->GetLookAndFeelPainter();
}

TcxCustomGridRecord* TcxGridDetailsSiteViewInfo::GetMasterRecord() { return row_->GridRecord(); }

Integer TcxGridDetailsSiteViewInfo::ClampHeight(Integer height) {
  height = std::max(height, 0);
  if (Level()) Level()->CheckHeight(height);
  return height;
}

Integer TcxGridDetailsSiteViewInfo::GetMaxHeight() { return ClampHeight(row_->DetailsSiteMaxHeight()); }

Integer TcxGridDetailsSiteViewInfo::GetMaxNaturalHeight() {
  return ClampHeight(TcxCustomGridDetailsSiteViewInfo::GetMaxNaturalHeight());
}

Integer TcxGridDetailsSiteViewInfo::GetMaxWidth() {
  TcxGridTableViewInfo* info = row_->TableViewInfo();
  return info->ClientWidth() - row_->LevelIndentWidth() - info->LevelIndent();
}

TcxCustomGridView* TcxGridDetailsSiteViewInfo::FindActiveGridView() {
  TcxGridMasterDataRow* row = MasterDataRow();
  if (!row || !row->GetExpanded()) return nullptr;
  TcxCustomGridView* view = row->GetActiveDetailGridView();
  if (view) view->ApplyPendingSynchronization();
  return view;
}

TcxCustomGridView* TcxGridDetailsSiteViewInfo::GetActiveGridView() {
  TcxCustomGridView* view = TcxCustomGridDetailsSiteViewInfo::GetActiveGridView();
  // A measuring layout of the master measures its details the same way.
  if (view && view->ViewInfo()) view->ViewInfo()->SetInternal(row_->GridViewInfo()->IsInternal());
  return view;
}

TcxGridLevel* TcxGridDetailsSiteViewInfo::GetActiveLevel() {
  TcxGridMasterDataRow* row = MasterDataRow();
  return row ? row->GetActiveDetailLevel() : nullptr;
}

bool TcxGridDetailsSiteViewInfo::GetVisible() {
  TcxGridMasterDataRow* row = MasterDataRow();
  return row && row->GetExpanded() && TcxCustomGridDetailsSiteViewInfo::GetVisible();
}

void TcxGridDetailsSiteViewInfo::InitTabHitTest(TcxGridDetailsSiteTabHitTest* hitTest) {
  hitTest->SetOwner(MasterDataRow());
}

void TcxGridDetailsSiteViewInfo::ChangeActiveTab(TcxGridLevel* level, bool byKeyboard) {
  // The change makes the rows anew (this site among them): view and record are taken first.
  TcxGridMasterDataRow* row = MasterDataRow();
  if (!row || !level) return;
  TcxGridTableView* view = row->GridView();
  const Integer recordIndex = row->RecordIndex();
  row->SetActiveDetailIndex(level->Index());
  if (!byKeyboard) return;
  auto* again = dynamic_cast<TcxGridMasterDataRow*>(view->TableViewData()->RecordByRecordIndex(recordIndex));
  if (!again) return;
  if (TcxCustomGridView* detail = again->GetActiveDetailGridView())
    if (TcxCustomGrid* grid = detail->Control()) grid->SetFocusedView(detail);
}

bool TcxGridDetailsSiteViewInfo::SupportsTabAccelerators() { return row_->SupportsTabAccelerators(); }

void TcxGridDetailsSiteViewInfo::ControlFocusChanged() {
  if (GetVisible() && HasActiveGridView())
    if (TcxCustomGridController* controller = GetActiveGridView()->Controller()) controller->ControlFocusChanged();
}

// ---- the expand button cell ------------------------------------------------------------------------------

TcxGridExpandButtonCellViewInfo::TcxGridExpandButtonCellViewInfo(TcxGridMasterDataRowViewInfo* row)
    : TcxGridTableCellViewInfo(row) {}

TcxGridMasterDataRowViewInfo* TcxGridExpandButtonCellViewInfo::Row() const {
  return static_cast<TcxGridMasterDataRowViewInfo*>(RecordViewInfo());
}

Integer TcxGridExpandButtonCellViewInfo::CalculateHeight() {
  TcxGridMasterDataRowViewInfo* row = Row();
  Integer h = row->GetRowContentHeight();
  if (row->IsDetailsSiteVisible()) h += row->DetailsAreaViewInfo()->CalculateHeight();
  return h;
}

Integer TcxGridExpandButtonCellViewInfo::CalculateWidth() { return Row()->TableViewInfo()->LevelIndent(); }

TBitmap* TcxGridExpandButtonCellViewInfo::GetBackgroundBitmap() { return Row()->GetBackgroundBitmap(); }

TcxBorders TcxGridExpandButtonCellViewInfo::GetBorders() {
  TcxBorders borders = Row()->GetCellBorders(false);
  if (Row()->Expanded() && borders.Contains(bBottom))
    borders.Include(bRight);
  else
    borders.Exclude(bRight);
  return borders;
}

Integer TcxGridExpandButtonCellViewInfo::GetBorderWidth(TcxBorder) { return Row()->TableViewInfo()->GetGridLineWidth(); }

TColor TcxGridExpandButtonCellViewInfo::GetBorderColor(TcxBorder) { return Row()->TableViewInfo()->GetGridLineColor(); }

TRect TcxGridExpandButtonCellViewInfo::GetSideBorderRect(TcxBorder side) {
  TRect r = TcxGridTableCellViewInfo::GetSideBorderRect(side);
  if (side == bRight) {
    // Only beside the details; it joins the data part's bottom grid line.
    r.Top = Bounds.Top + Row()->GetRowContentHeight() - EffectiveBorderWidth(bBottom);
    r.Bottom = Bounds.Bottom;
  }
  return r;
}

void TcxGridExpandButtonCellViewInfo::GetViewParams(TcxStyleParams& params) {
  Row()->GridTableView()->GetStyles()->GetContentParams(GridRecord(), nullptr, params);
}

TcxCustomGridCellPainterClass TcxGridExpandButtonCellViewInfo::GetPainterClass() {
  return TcxGridExpandButtonCellPainter::StaticClass();
}

void TcxGridExpandButtonCellPainter::DrawBorders() {
  TcxCustomGridCellPainter::DrawBorders();
  auto* cell = static_cast<TcxGridExpandButtonCellViewInfo*>(ViewInfo());
  if (!cell->Borders.Contains(bRight) || cell->HasBackgroundBitmap()) return;
  // Beside the data part the column has no right line: the cell's background continues.
  TRect strip = cell->TcxGridTableCellViewInfo::GetSideBorderRect(bRight);
  strip.Bottom = cell->GetSideBorderRect(bRight).Top;
  if (!strip.IsEmpty()) Canvas()->FillRectColor(strip, cell->Params.Color);
}

// ---- the details area ----------------------------------------------------------------------------------

TcxGridDetailsAreaViewInfo::TcxGridDetailsAreaViewInfo(TcxGridMasterDataRowViewInfo* row)
    : TcxGridTableCellViewInfo(row) {}

TcxGridMasterDataRowViewInfo* TcxGridDetailsAreaViewInfo::Row() const {
  return static_cast<TcxGridMasterDataRowViewInfo*>(RecordViewInfo());
}

Integer TcxGridDetailsAreaViewInfo::CalculateHeight() { return Row()->DetailsSiteViewInfo()->GetHeight(); }

Integer TcxGridDetailsAreaViewInfo::CalculateWidth() { return Row()->DetailsSiteViewInfo()->GetMaxWidth(); }

TcxBorders TcxGridDetailsAreaViewInfo::GetBorders() {
  const TcxGridLines lines = Row()->GridTableView()->GetOptionsView()->GridLines();
  return lines == glBoth || lines == glHorizontal ? TcxBorders{bBottom} : TcxBorders();
}

Integer TcxGridDetailsAreaViewInfo::GetBorderWidth(TcxBorder) { return Row()->TableViewInfo()->GetGridLineWidth(); }

TColor TcxGridDetailsAreaViewInfo::GetBorderColor(TcxBorder) { return Row()->TableViewInfo()->GetGridLineColor(); }

// ---- the master row ---------------------------------------------------------------------------------------

TcxGridMasterDataRowViewInfo::TcxGridMasterDataRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo,
                                                           TcxCustomGridRecord* record)
    : TcxGridDataRowViewInfo(recordsViewInfo, record) {
  detailsArea_ = new TcxGridDetailsAreaViewInfo(this);
  detailsSite_ = new TcxGridDetailsSiteViewInfo(this);
  expandButtonCell_ = new TcxGridExpandButtonCellViewInfo(this);
  // The site's height depends on the row's place (the rest height below it): an expanded
  // row measures anew in every layout.
  if (record && record->Index() >= 0 && MasterDataRow()->GetExpanded())
    if (auto* cache = dynamic_cast<TcxCustomGridTableViewInfoCache*>(GridView()->ViewInfoCache()))
      cache->Item(record->Index())->IsRecordHeightAssigned = false;
}

TcxGridMasterDataRowViewInfo::~TcxGridMasterDataRowViewInfo() {
  delete expandButtonCell_;
  detailsSite_->Free();
  delete detailsArea_;
}

Integer TcxGridMasterDataRowViewInfo::GetDetailsMaxHeight(Integer dataHeight) {
  return RowsViewInfo()->GetRestHeight(Bounds.Top) - dataHeight;
}

Integer TcxGridMasterDataRowViewInfo::CalculateHeight() {
  Integer h = TcxGridDataRowViewInfo::CalculateHeight();
  if (IsDetailsSiteVisible()) {
    detailsSiteMaxHeight_ = GetDetailsMaxHeight(h);
    detailsSite_->ResetCalculated();
    h += detailsSite_->GetHeight();
  }
  return h;
}

Integer TcxGridMasterDataRowViewInfo::GetRowHeightForCache() {
  const Integer height = GetCachedHeight();
  if (!IsDetailsSiteVisible()) return height;
  // Measured upwards, a row above the first one whose details were cut to the rest height
  // would take their whole height once laid out from the top: it cannot be shown partly.
  // A site held at the level's MaxDetailHeight has that height wherever the row is.
  const Integer maxDetailHeight = detailsSite_->Level() ? detailsSite_->Level()->MaxDetailHeight() : 0;
  if (!detailsSite_->GetViewFits() && !RowsViewInfo()->GridViewInfo()->CalculateDown && RowsViewInfo()->Items(0) != this &&
      (maxDetailHeight == 0 || detailsSite_->GetHeight() != maxDetailHeight))
    return 0x3FFFFFFF;
  // Otherwise the row counts with all the height its details need: cut off at the bottom,
  // it is not a visible row.
  return height + detailsSite_->GetNaturalHeight() - detailsSite_->GetHeight();
}

TcxCustomGridCellPainterClass TcxGridMasterDataRowViewInfo::GetPainterClass() {
  return TcxGridMasterDataRowPainter::StaticClass();
}

void TcxGridMasterDataRowViewInfo::ResetCalculated() {
  TcxGridDataRowViewInfo::ResetCalculated();
  detailsArea_->ResetCalculated();
}

Integer TcxGridMasterDataRowViewInfo::GetRowContentHeight() {
  Integer h = TcxGridDataRowViewInfo::GetRowContentHeight();
  if (IsDetailsSiteVisible()) h -= detailsSite_->GetHeight();
  return h;
}

Integer TcxGridMasterDataRowViewInfo::GetFocusAreaLeft() {
  return TcxGridDataRowViewInfo::GetFocusAreaLeft() + TableViewInfo()->LevelIndent();
}

Integer TcxGridMasterDataRowViewInfo::GetFocusAreaWidth() {
  return TcxGridDataRowViewInfo::GetFocusAreaWidth() - TableViewInfo()->LevelIndent();
}

void TcxGridMasterDataRowViewInfo::CalculateAt(Integer left, Integer top, Integer width, Integer height) {
  TcxGridDataRowViewInfo::CalculateAt(left, top, width, height);
  expandButtonCell_->ResetCalculated();
  expandButtonCell_->CalculateAt(GetContentLeft(), Bounds.Top);
  if (IsDetailsSiteVisible()) {
    const Integer siteLeft = expandButtonCell_->Bounds.Right;
    const Integer siteTop = Bounds.Top + GetRowContentHeight();
    detailsSite_->Calculate(siteLeft, siteTop);
    detailsArea_->ResetCalculated();
    detailsArea_->CalculateAt(siteLeft, siteTop);
  }
}

void TcxGridMasterDataRowViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxGridDataRowViewInfo::OffsetBounds(dx, dy);
  if (expandButtonCell_->Calculated()) expandButtonCell_->OffsetBounds(dx, dy);
  ExpandButtonBounds = ShiftedRect(ExpandButtonBounds, dx, dy);
  // The detail view moves with its site: the site is placed anew.
  if (IsDetailsSiteVisible() && detailsArea_->Calculated()) {
    detailsArea_->OffsetBounds(dx, dy);
    detailsSite_->Calculate(detailsSite_->Bounds.Left + dx, detailsSite_->Bounds.Top + dy);
  }
}

TcxCustomGridHitTest* TcxGridMasterDataRowViewInfo::GetHitTest(const TPoint& p) {
  if (IsDetailsSiteVisible() && detailsArea_->Calculated() && detailsSite_->Bounds.Contains(p))
    return detailsSite_->GetHitTest(p);
  return TcxGridDataRowViewInfo::GetHitTest(p);
}

void TcxGridMasterDataRowViewInfo::GetExpandButtonAreaBounds(TRect& r) {
  r = TRect(GetContentLeft(), Bounds.Top, GetFocusAreaLeft(), Bounds.Top + GetRowContentHeight());
}

void TcxGridMasterDataRowViewInfo::CalculateExpandButtonBounds(TRect& r) {
  TRect area;
  GetExpandButtonAreaBounds(area);
  r = ExpandButtonSquare(area);
}

void TcxGridMasterDataRowViewInfo::ControlFocusChanged() {
  TcxGridDataRowViewInfo::ControlFocusChanged();
  detailsSite_->ControlFocusChanged();
}

bool TcxGridMasterDataRowViewInfo::IsDetailVisible(TcxCustomGridView* detail) {
  return IsDetailsSiteVisible() && detail && detailsSite_->GetActiveLevel() == detail->Level();
}

void TcxGridMasterDataRowViewInfo::SiteVisibilityChanged(bool visible) {
  if (IsDetailsSiteVisible()) detailsSite_->VisibilityChanged(visible);
}

bool TcxGridMasterDataRowViewInfo::ProcessDialogChar(Word character) {
  if (TcxGridDataRowViewInfo::ProcessDialogChar(character)) return true;
  return IsDetailsSiteVisible() && detailsSite_->ProcessDialogChar(character);
}

bool TcxGridMasterDataRowViewInfo::SupportsTabAccelerators() {
  TcxCustomGridTableController* controller = TableController();
  return controller && controller->IsFocusedRecord(GridRecord());
}

bool TcxGridMasterDataRowViewInfo::IsDetailsAreaFullyVisible() {
  if (!IsDetailsSiteVisible() || !detailsArea_->Calculated()) return true;
  // A site cut to the rest height shows only part of its detail.
  return detailsSite_->GetViewFits() && detailsArea_->Bounds.Bottom <= RowsViewInfo()->ContentBounds.Bottom;
}

void TcxGridMasterDataRowPainter::DrawCells() {
  TcxGridDataRowPainter::DrawCells();
  auto* row = static_cast<TcxGridMasterDataRowViewInfo*>(Row());
  row->ExpandButtonCellViewInfo()->Paint(Canvas());
  if (row->IsDetailsSiteVisible() && row->DetailsAreaViewInfo()->Calculated()) {
    row->DetailsAreaViewInfo()->Paint(Canvas());
    TcxRegion* saved = Canvas()->CopyClipRegion();
    row->DetailsSiteViewInfo()->Paint(Canvas());
    Canvas()->ApplyClipRegion(saved, roSet, true);
  }
}

// ---- drag opening of a detail tab -------------------------------------------------------------------------

TcxGridDragOpenInfoMasterDataRowTab::TcxGridDragOpenInfoMasterDataRowTab(TcxGridLevel* level,
                                                                         TcxGridMasterDataRow* row)
    : TcxGridDragOpenInfoTab(level),
      watch_(new TcxGridViewWatch(row->GridView())),
      view_(row->GridView()),
      recordIndex_(row->RecordIndex()) {}

TcxGridMasterDataRow* TcxGridDragOpenInfoMasterDataRowTab::MasterRow() {
  if (!watch_->Alive() || !view_->TableViewData()) return nullptr;
  return dynamic_cast<TcxGridMasterDataRow*>(view_->TableViewData()->RecordByRecordIndex(recordIndex_));
}

bool TcxGridDragOpenInfoMasterDataRowTab::IsSameTarget(TcxCustomGridDragOpenInfo* info) {
  if (!TcxGridDragOpenInfoTab::IsSameTarget(info)) return false;
  auto* other = static_cast<TcxGridDragOpenInfoMasterDataRowTab*>(info);
  return other->view_ == view_ && other->recordIndex_ == recordIndex_;
}

void TcxGridDragOpenInfoMasterDataRowTab::OpenTarget() {
  if (TcxGridMasterDataRow* row = MasterRow())
    if (Level()) row->SetActiveDetailIndex(Level()->Index());
}
