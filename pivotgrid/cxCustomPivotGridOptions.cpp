// The pivot grid's options objects.
#include <algorithm>

#include "pivotgrid/cxCustomPivotGrid.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

// ---- published properties -------------------------------------------------------------------------

namespace {
using TBehavior = TcxPivotGridOptionsBehavior;
using TCustomize = TcxPivotGridOptionsCustomize;
using TView = TcxPivotGridOptionsView;
using TData = TcxPivotGridOptionsData;
using TSelection = TcxPivotGridOptionsSelection;
using TDataField = TcxPivotGridOptionsDataField;
}  // namespace

KORVAN_IMPLEMENT_CLASS(TcxPivotGridCustomOptions)

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridOptionsBehavior) {
  p.Bool("CellHints", &TBehavior::CellHints, &TBehavior::SetCellHints).Default(false);
  p.Bool("FieldHeaderHints", &TBehavior::FieldHeaderHints, &TBehavior::SetFieldHeaderHints).Default(true);
  p.Bool("GroupHeaderHints", &TBehavior::GroupHeaderHints, &TBehavior::SetGroupHeaderHints).Default(true);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridOptionsCustomize) {
  p.Bool("Filtering", &TCustomize::Filtering, &TCustomize::SetFiltering).Default(true);
  p.Bool("Hiding", &TCustomize::Hiding, &TCustomize::SetHiding).Default(true);
  p.Bool("Moving", &TCustomize::Moving, &TCustomize::SetMoving).Default(true);
  p.Bool("QuickCustomization", &TCustomize::QuickCustomization, &TCustomize::SetQuickCustomization)
      .Default(true);
  p.Bool("Sizing", &TCustomize::Sizing, &TCustomize::SetSizing).Default(true);
  p.Bool("Sorting", &TCustomize::Sorting, &TCustomize::SetSorting).Default(true);
  p.Bool("FilterResizable", &TCustomize::FilterResizable, &TCustomize::SetFilterResizable).Default(true);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridOptionsView) {
  static PTypeInfo lines = EnumTypeInfo("TcxPivotGridLines", {"pglNone", "pglHorz", "pglVert", "pglBoth"});
  static PTypeInfo scrollStyle =
      EnumTypeInfo("TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
  static PTypeInfo location = EnumTypeInfo("TcxPivotGridTotalsLocation", {"tlFar", "tlNear"});
  p.Bool("ColumnFields", &TView::ColumnFields, &TView::SetColumnFields).Default(true);
  p.Bool("ColumnGrandTotals", &TView::ColumnGrandTotals, &TView::SetColumnGrandTotals).Default(true);
  p.Bool("ColumnTotals", &TView::ColumnTotals, &TView::SetColumnTotals).Default(true);
  p.Bool("DataFields", &TView::DataFields, &TView::SetDataFields).Default(true);
  p.Int("DropArrowColor", &TView::DropArrowColor, &TView::SetDropArrowColor).Default(65280);
  p.Int("FilterDropDownMaxItemCount", &TView::FilterDropDownMaxItemCount, &TView::SetFilterDropDownMaxItemCount)
      .Default(15);
  p.Int("FilterDropDownWidth", &TView::FilterDropDownWidth, &TView::SetFilterDropDownWidth).Default(0);
  p.Bool("FilterFields", &TView::FilterFields, &TView::SetFilterFields).Default(true);
  p.Bool("FilterSeparator", &TView::FilterSeparator, &TView::SetFilterSeparator).Default(true);
  p.Int("GrandTotalWidth", &TView::GrandTotalWidth, &TView::SetGrandTotalWidth).Default(0);
  p.Bool("GrandTotalsForSingleValues", &TView::GrandTotalsForSingleValues, &TView::SetGrandTotalsForSingleValues)
      .Default(false);
  p.Enum("GridLines", &TView::GridLines, &TView::SetGridLines, lines).Default(pglBoth);
  p.Bool("MarkNarrowCells", &TView::MarkNarrowCells, &TView::SetMarkNarrowCells).Default(false);
  p.Bool("RowFields", &TView::RowFields, &TView::SetRowFields).Default(true);
  p.Bool("RowGrandTotals", &TView::RowGrandTotals, &TView::SetRowGrandTotals).Default(true);
  p.Bool("RowTotals", &TView::RowTotals, &TView::SetRowTotals).Default(true);
  p.Enum("ScrollBars", &TView::ScrollBars, &TView::SetScrollBars, scrollStyle).Default(ssBoth);
  p.Bool("TotalsForSingleValues", &TView::TotalsForSingleValues, &TView::SetTotalsForSingleValues)
      .Default(false);
  p.Enum("TotalsLocation", &TView::TotalsLocation, &TView::SetTotalsLocation, location).Default(tlFar);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridOptionsData) {
  p.Bool("AnsiSort", &TData::AnsiSort, &TData::SetAnsiSort).Default(false);
  p.Bool("SaveExpanding", &TData::SaveExpanding, &TData::SetSaveExpanding).Default(true);
  p.Bool("SummaryNullIgnore", &TData::SummaryNullIgnore, &TData::SetSummaryNullIgnore).Default(false);
  p.Bool("VariationNullIgnore", &TData::VariationNullIgnore, &TData::SetVariationNullIgnore).Default(true);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridOptionsSelection) {
  p.Bool("HideFocusRect", &TSelection::HideFocusRect, &TSelection::SetHideFocusRect).Default(false);
  p.Bool("HideSelection", &TSelection::HideSelection, &TSelection::SetHideSelection).Default(false);
  p.Bool("MultiSelect", &TSelection::MultiSelect, &TSelection::SetMultiSelect).Default(false);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridOptionsDataField) {
  static PTypeInfo area = EnumTypeInfo("TcxPivotGridDataFieldArea", {"dfaNone", "dfaColumn", "dfaRow"});
  p.Enum("Area", &TDataField::Area, &TDataField::SetArea, area).Default(dfaNone);
  p.Int("AreaIndex", &TDataField::AreaIndex, &TDataField::SetAreaIndex).Default(-1);
  p.Bool("IsCaptionAssigned", &TDataField::IsCaptionAssigned, &TDataField::SetIsCaptionAssigned).Default(false);
  // The default caption follows the resource text: only an assigned one is stored.
  p.Str("Caption", &TDataField::Caption, &TDataField::SetCaption).Stored(&TDataField::IsCaptionAssigned);
  p.Bool("Moving", &TDataField::Moving, &TDataField::SetMoving).Default(true);
  p.Int("MinWidth", &TDataField::MinWidth, &TDataField::SetMinWidth).Default(20);
  p.Int("Width", &TDataField::Width, &TDataField::SetWidth).Default(105);
}

void TcxPivotGridCustomOptions::Changed() { pivotGrid_->LayoutChanged(); }

TPersistent* TcxPivotGridCustomOptions::GetOwner() const { return pivotGrid_; }

void TcxPivotGridCustomOptions::Assign(TPersistent* source) {
  if (!dynamic_cast<TcxPivotGridCustomOptions*>(source)) TPersistent::Assign(source);
}

void TcxPivotGridOptionsBehavior::Assign(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxPivotGridOptionsBehavior*>(source)) {
    cellHints_ = o->cellHints_;
    fieldHeaderHints_ = o->fieldHeaderHints_;
    groupHeaderHints_ = o->groupHeaderHints_;
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

TScrollStyle TcxPivotGridOptionsView::ScrollBars() const { return pivotGrid_->ScrollBarsSetting(); }

void TcxPivotGridOptionsView::SetScrollBars(TScrollStyle v) { pivotGrid_->ChangeScrollBarsSetting(v); }

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
    dropArrowColor_ = o->dropArrowColor_;
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
    SetScrollBars(o->ScrollBars());
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
    saveExpanding_ = o->saveExpanding_;
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
  // While the form is read the index is stored as it stands; the first build renumbers.
  if (v != -1 && area_ != dfaNone && !pivotGrid_->ComponentState().Contains(csLoading)) {
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

TcxPivotGridOptionsDataField::~TcxPivotGridOptionsDataField() = default;

int TcxPivotGridOptionsDataField::GetActualWidth() {
  return std::max(20, width_ != 0 ? width_ : GetHeaderViewInfo()->BestWidth());
}

void TcxPivotGridOptionsDataField::HeaderClick() { SetHeaderState(cxbsNormal); }

TcxPivotGridFieldHeaderCellViewInfo* TcxPivotGridOptionsDataField::GetHeaderViewInfo() {
  if (!headerCell_) headerCell_ = std::make_unique<TcxPivotGridFieldHeaderCellViewInfo>(this);
  return headerCell_.get();
}

void TcxPivotGridOptionsDataField::SetHeaderState(TcxButtonState state) { GetHeaderViewInfo()->SetState(state, pivotGrid_); }

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
