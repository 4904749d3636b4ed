// Best fit: the widths of fields, of the "Data" pseudo field and of the grid from their header
// texts, the widths of their group-value headers and of their data cells.
#include <algorithm>

#include "pivotgrid/cxCustomPivotGrid.h"

namespace {

bool InRowTree(TcxPivotGridViewDataItem* item) {
  while (item->Parent()) item = item->Parent();
  return item == item->GroupItem()->PivotGrid()->ViewData()->RowRoot();
}

}  // namespace

int TcxPivotGridViewDataItem::GetBestWidth(TcxPivotGridField* field, bool includeTotals) {
  if (Parent() && GetField() == field && (!IsTotal() || includeTotals)) {
    TcxCustomPivotGrid* grid = field->PivotGrid();
    TcxStyleParams params;
    if (InRowTree(this)) grid->Styles()->GetRowHeaderParams(this, params);
    else grid->Styles()->GetColumnHeaderParams(this, params);
    int w = 4 + MeasureTextWidthInFont(params.Font ? params.Font : grid->Font(), GetDisplayText());
    TAlignment h = taLeftJustify;
    TcxAlignmentVert v = vaTop;
    if (!IsDataItem() && field->GetGroupImageIndex(this, h, v) >= 0) w += grid->GroupHeaderImages()->Width() + 4;
    if (IsExpandable()) w += grid->ViewPainter()->ExpandButtonExtent() + 4;
    return w;
  }
  int best = 0;
  for (auto* i : items_) best = std::max(best, i->GetBestWidth(field, includeTotals));
  return best;
}

void TcxPivotGridViewData::GetDataCellsBestWidths(std::unordered_map<TcxPivotGridField*, int>& widths) {
  TcxPivotGridViewInfo* vi = grid_->ViewInfo();
  bool dataInRows = grid_->OptionsDataField()->Area() == dfaRow;
  TcxPivotGridDataCellViewInfo cell(nullptr, nullptr, nullptr);
  TcxPivotGridCrossCellSummary* previous = nullptr;
  for (auto* row : rowLeaves_)
    for (auto* column : columnLeaves_) {
      cell.Init(row, column, vi->GetDataFieldForItem(dataInRows ? row : column));
      cell.Calculate();
      TcxPivotGridCrossCellSummary* summary = cell.Summary();
      if (!summary || summary == previous) continue;
      previous = summary;
      TcxStyleParams params;
      grid_->Styles()->GetContentParams(&cell, params);
      int w = MeasureTextWidthInFont(params.Font ? params.Font : grid_->Font(), cell.DisplayText);
      int& best = widths[summary->Field()];
      best = std::max(best, w);
    }
}

int TcxPivotGridViewData::GetDataCellsBestWidth(TcxPivotGridField* field) {
  if (!field->Visible()) return 0;
  if (grid_->BestFitWidths()) return (*grid_->BestFitWidths())[field];
  std::unordered_map<TcxPivotGridField*, int> widths;
  GetDataCellsBestWidths(widths);
  return widths[field];
}

void TcxPivotGridField::ApplyBestFit() {
  if (!pivotGrid_ || !IsShownInView() || area_ == faFilter) return;
  TcxCustomPivotGrid* grid = pivotGrid_;
  grid->CheckChanges();
  PushHourglassCursor();
  struct TPop {
    ~TPop() { PopHourglassCursor(); }
  } pop;
  TcxPivotGridViewData* vd = grid->ViewData();
  bool rowLike = area_ == faRow || (area_ == faData && grid->OptionsDataField()->Area() == dfaRow);
  int width;
  if (rowLike) {
    width = std::max(GetHeaderViewInfo()->BestWidth() + 4, vd->RowRoot()->GetBestWidth(this, false) + 2);
  } else {
    width = std::max(minWidth_, vd->ColumnRoot()->GetBestWidth(this, true) + 2);
    // The data cells are measured in one pass for every summary field.
    std::unordered_map<TcxPivotGridField*, int> local;
    std::unordered_map<TcxPivotGridField*, int>* cells = grid->BestFitWidths();
    if (!cells) {
      vd->GetDataCellsBestWidths(local);
      cells = &local;
    }
    if (area_ == faData) width = std::max(width, (*cells)[this] + 2);
    if (area_ == faColumn)
      for (int i = 0; i < grid->SummaryFields().Count(); ++i)
        width = std::max(width, (*cells)[grid->SummaryFields()[i]] + 2);
  }
  SetWidth(width);
}

void TcxPivotGridOptionsDataField::ApplyBestFit() {
  pivotGrid_->BeginUpdate();
  try {
    TcxPivotGridFields& data = pivotGrid_->DataBuilder()->DataFields();
    if (area_ == dfaRow) {
      int best = GetHeaderViewInfo()->BestWidth();
      for (int i = 0; i < data.Count(); ++i) best = std::max(best, data[i]->GetHeaderViewInfo()->BestWidth());
      SetWidth(best);
    } else {
      for (int i = 0; i < data.Count(); ++i) data[i]->ApplyBestFit();
    }
  } catch (...) {
    pivotGrid_->EndUpdate();
    throw;
  }
  pivotGrid_->EndUpdate();
}

void TcxCustomPivotGrid::ApplyBestFit() {
  CheckChanges();
  // The data cells are measured once for all fields of this run.
  std::unordered_map<TcxPivotGridField*, int> widths;
  viewData_->GetDataCellsBestWidths(widths);
  bestFitWidths_ = &widths;
  struct TReset {
    std::unordered_map<TcxPivotGridField*, int>*& p;
    ~TReset() { p = nullptr; }
  } reset{bestFitWidths_};
  BeginUpdate();
  try {
    for (auto* f : std::vector<TcxPivotGridField*>(fields_)) f->ApplyBestFit();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  FitRowBandToDataHeaders();
}

void TcxCustomPivotGrid::FitRowBandToDataHeaders() {
  // The data-field headers share the band above the row headers and are squeezed into it when
  // the row fields are narrower: a best fit would cut captions such as "Quantity(Sum)". The
  // innermost row field takes the missing width (3 pixels of margin before the first header).
  TcxPivotGridField* last = nullptr;
  for (auto* f : fields_)
    if (f->Area() == faRow && f->IsShownInView() && (!last || f->AreaIndex() > last->AreaIndex())) last = f;
  if (!last || !OptionsView()->DataFields()) return;
  CheckChanges();
  int missing = ViewInfo()->DataFieldsWidth + 3 - ViewInfo()->RowHeadersWidth;
  if (missing > 0) last->SetWidth(last->GetActualWidth() + missing);
}
