// The pivot grid's options objects.
#include <algorithm>

#include "pivotgrid/cxCustomPivotGrid.h"
#include "rtl/SysUtils.h"

void TcxPivotGridCustomOptions::Changed() { pivotGrid_->LayoutChanged(); }

TPersistent* TcxPivotGridCustomOptions::GetOwner() const { return pivotGrid_; }

void TcxPivotGridCustomOptions::Assign(TPersistent* source) {
  if (!dynamic_cast<TcxPivotGridCustomOptions*>(source)) TPersistent::Assign(source);
}

void TcxPivotGridOptionsBehavior::Assign(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxPivotGridOptionsBehavior*>(source)) {
    CellHints = o->CellHints;
    FieldHeaderHints = o->FieldHeaderHints;
    GroupHeaderHints = o->GroupHeaderHints;
  } else {
    TcxPivotGridCustomOptions::Assign(source);
  }
}

void TcxPivotGridOptionsCustomize::Assign(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxPivotGridOptionsCustomize*>(source)) {
    for (int i = 0; i < 7; ++i) SetOption(i, o->v_[i]);
  } else {
    TcxPivotGridCustomOptions::Assign(source);
  }
}

// ---- view options ---------------------------------------------------------------------------------

void TcxPivotGridOptionsView::Changed() { pivotGrid_->DataChanged(); }

void TcxPivotGridOptionsView::Assign(TPersistent* source) {
  auto* o = dynamic_cast<TcxPivotGridOptionsView*>(source);
  if (!o) {
    TcxPivotGridCustomOptions::Assign(source);
    return;
  }
  pivotGrid_->BeginUpdate();
  try {
    SetColumnFields(o->ColumnFields_);
    SetColumnGrandTotals(o->ColumnGrandTotals_);
    SetColumnTotals(o->ColumnTotals_);
    SetDataFields(o->DataFields_);
    DropArrowColor = o->DropArrowColor;
    filterDropDownMaxItemCount_ = o->filterDropDownMaxItemCount_;
    filterDropDownWidth_ = o->filterDropDownWidth_;
    SetFilterFields(o->FilterFields_);
    SetFilterSeparator(o->FilterSeparator_);
    SetGrandTotalWidth(o->grandTotalWidth_);
    SetGrandTotalsForSingleValues(o->GrandTotalsForSingleValues_);
    SetGridLines(o->gridLines_);
    SetMarkNarrowCells(o->MarkNarrowCells_);
    SetRowFields(o->RowFields_);
    SetRowGrandTotals(o->RowGrandTotals_);
    SetRowTotals(o->RowTotals_);
    SetTotalsForSingleValues(o->TotalsForSingleValues_);
    SetTotalsLocation(o->totalsLocation_);
  } catch (...) {
    pivotGrid_->EndUpdate();
    throw;
  }
  pivotGrid_->EndUpdate();
}

void TcxPivotGridOptionsView::SetFilterDropDownMaxItemCount(int v) {
  v = std::max(1, v);
  if (filterDropDownMaxItemCount_ == v) return;
  filterDropDownMaxItemCount_ = v;
  Changed();
}

void TcxPivotGridOptionsView::SetFilterDropDownWidth(int v) {
  v = std::max(150, v);
  if (filterDropDownWidth_ == v) return;
  filterDropDownWidth_ = v;
  Changed();
}

void TcxPivotGridOptionsView::SetGrandTotalWidth(int v) {
  v = v < 0 ? 0 : (v > 0 ? std::max(20, v) : 0);
  if (grandTotalWidth_ == v) return;
  grandTotalWidth_ = v;
  Changed();
}

void TcxPivotGridOptionsView::SetGridLines(TcxPivotGridLines v) {
  if (gridLines_ == v) return;
  gridLines_ = v;
  Changed();
}

void TcxPivotGridOptionsView::SetTotalsLocation(TcxPivotGridTotalsLocation v) {
  if (totalsLocation_ == v) return;
  totalsLocation_ = v;
  Changed();
}

bool TcxPivotGridOptionsView::CanResize() { return pivotGrid_->OptionsCustomize()->Sizing(); }

int TcxPivotGridOptionsView::GetActualWidth() {
  return grandTotalWidth_ == 0 ? 105 : std::max(20, grandTotalWidth_);
}

// ---- data options ---------------------------------------------------------------------------------

void TcxPivotGridOptionsData::Changed() { pivotGrid_->DataChanged(); }

void TcxPivotGridOptionsData::Assign(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxPivotGridOptionsData*>(source)) {
    pivotGrid_->BeginUpdate();
    SetAnsiSort(o->ansiSort_);
    SaveExpanding = o->SaveExpanding;
    SetSummaryNullIgnore(o->summaryNullIgnore_);
    SetVariationNullIgnore(o->variationNullIgnore_);
    pivotGrid_->EndUpdate();
  } else {
    TcxPivotGridCustomOptions::Assign(source);
  }
}

int TcxPivotGridOptionsData::CompareValues(const Variant& v1, const Variant& v2) const {
  if (ansiSort_) return AnsiCompareStr(VarToStr(v1), VarToStr(v2));
  return CompareVariantValues(v1, v2);
}

void TcxPivotGridOptionsSelection::Assign(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxPivotGridOptionsSelection*>(source)) {
    SetHideFocusRect(o->hideFocusRect_);
    SetHideSelection(o->hideSelection_);
    SetMultiSelect(o->multiSelect_);
  } else {
    TcxPivotGridCustomOptions::Assign(source);
  }
}

// ---- the "Data" pseudo field ------------------------------------------------------------------------

void TcxPivotGridOptionsDataField::Assign(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxPivotGridOptionsDataField*>(source)) {
    area_ = o->area_;
    areaIndex_ = o->areaIndex_;
    caption_ = o->caption_;
    isCaptionAssigned_ = o->isCaptionAssigned_;
    minWidth_ = o->minWidth_;
    moving_ = o->moving_;
    width_ = o->width_;
    Changed();
  } else {
    TcxPivotGridCustomOptions::Assign(source);
  }
}

void TcxPivotGridOptionsDataField::SetArea(TcxPivotGridDataFieldArea v) {
  if (area_ == v) return;
  area_ = v;
  Changed();
}

void TcxPivotGridOptionsDataField::SetAreaIndex(int v) {
  v = std::max(-1, v);
  if (areaIndex_ == v) return;
  areaIndex_ = v;
  if (v != -1 && area_ != dfaNone) {
    int index = v;
    if (!pivotGrid_->ChangeFieldPosition(nullptr, area_ == dfaRow ? faRow : faColumn, index)) areaIndex_ = index;
  }
  Changed();
}

String TcxPivotGridOptionsDataField::Caption() const {
  return isCaptionAssigned_ ? caption_ : cxPivotGridResText("Data");
}

void TcxPivotGridOptionsDataField::SetCaption(const String& v) {
  if (v == caption_) return;
  caption_ = v;
  isCaptionAssigned_ = v != cxPivotGridResText("Data");
  Changed();
}

void TcxPivotGridOptionsDataField::SetMinWidth(int v) {
  v = std::max(0, v);
  if (minWidth_ == v) return;
  minWidth_ = v;
  SetWidth(width_);
  Changed();
}

void TcxPivotGridOptionsDataField::SetWidth(int v) {
  v = std::max(minWidth_, v);
  if (width_ == v) return;
  width_ = v;
  Changed();
}

bool TcxPivotGridOptionsDataField::IsInArea(TcxPivotGridFieldArea a) const {
  return (area_ == dfaColumn && a == faColumn) || (area_ == dfaRow && a == faRow);
}

bool TcxPivotGridOptionsDataField::CanResize() { return pivotGrid_->OptionsCustomize()->Sizing(); }

bool TcxPivotGridOptionsDataField::CanMove() { return moving_ && pivotGrid_->OptionsCustomize()->Moving(); }

void TcxPivotGridOptionsDataField::SetAreaPosition(TcxPivotGridFieldArea area, int index) {
  if (area != faColumn && area != faRow) return;
  pivotGrid_->BeginUpdate();
  try {
    TcxPivotGridDataFieldArea newArea = area == faRow ? dfaRow : dfaColumn;
    if (newArea == area_ && areaIndex_ >= 0 && areaIndex_ < index) --index;
    SetArea(newArea);
    areaIndex_ = -2;  // forces the renumbering below
    SetAreaIndex(index);
  } catch (...) {
    pivotGrid_->EndUpdate();
    throw;
  }
  pivotGrid_->EndUpdate();
  pivotGrid_->DoFieldPosChanged(nullptr);
}
