#include "gridviews/cxGridTableView.h"

#include <algorithm>

#include "data/cxCustomDataInternal.h"
#include "data/cxVariants.h"
#include "editors/cxEdit.h"
#include "foundation/dxOffice11.h"
#include "gridviews/cxGridRows.h"
#include "gridviews/cxGridTableViewInfo.h"
#include "gridviews/cxGridTableViewDragDrop.h"
#include "gridviews/cxGridViewPropertyUtils.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

using cxdata_internal::Finally;

namespace {

const TcxResourceStringRec scxGridNewItemRowInfoText{"scxGridNewItemRowInfoText", "Click here to add a new row"};
const TcxResourceStringRec scxGridColumnsCustomization{"scxGridColumnsCustomization", "Columns customization"};

using cxgridviews_internal::AlignmentVertType;
using cxgridviews_internal::SortOrderType;
PTypeInfo SummaryKindType() {
  return EnumTypeInfo("TcxSummaryKind", {"skNone", "skSum", "skMin", "skMax", "skCount", "skAverage"});
}

}  // namespace

// ---- published properties ---------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridColumnOptions) {
  using O = TcxGridColumnOptions;
  p.Bool("CellMerging", &O::CellMerging, &O::SetCellMerging).Default(false);
  p.Bool("Grouping", &O::Grouping, &O::SetGrouping).Default(true);
  p.Bool("HorzSizing", &O::HorzSizing, &O::SetHorzSizing).Default(true);
  p.Bool("Moving", &O::Moving, &O::SetMoving).Default(true);
  p.Enum("SortByDisplayText", &O::SortByDisplayText, &O::SetSortByDisplayText,
         EnumTypeInfo("TcxGridItemSortByDisplayText", {"isbtDefault", "isbtOn", "isbtOff"}))
      .Default(isbtDefault);
  p.Bool("Sorting", &O::Sorting, &O::SetSorting).Default(true);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridColumnStyles) {
  using S = TcxGridColumnStyles;
  p.Object("Footer", &S::Footer, &S::SetFooter, TcxStyle::StaticClass());
  p.Object("Header", &S::Header, &S::SetHeader, TcxStyle::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridColumnSummary) {
  using S = TcxGridColumnSummary;
  p.Str("FooterFormat", &S::FooterFormat, &S::SetFooterFormat);
  p.Enum("FooterKind", &S::FooterKind, &S::SetFooterKind, SummaryKindType()).Default(skNone);
  p.Str("GroupFooterFormat", &S::GroupFooterFormat, &S::SetGroupFooterFormat);
  p.Enum("GroupFooterKind", &S::GroupFooterKind, &S::SetGroupFooterKind, SummaryKindType()).Default(skNone);
  p.Str("GroupFormat", &S::GroupFormat, &S::SetGroupFormat);
  p.Enum("GroupKind", &S::GroupKind, &S::SetGroupKind, SummaryKindType()).Default(skNone);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridColumn) {
  using C = TcxGridColumn;
  p.Enum("FooterAlignmentHorz", &C::GetFooterAlignmentHorz, &C::SetFooterAlignmentHorz, AlignmentTypeInfo())
      .Stored(&C::IsFooterAlignmentHorzStored);
  p.Object("HeaderGlyph", &C::HeaderGlyph, &C::SetHeaderGlyph, TBitmap::StaticClass());
  p.Enum("HeaderGlyphAlignmentHorz", &C::HeaderGlyphAlignmentHorz, &C::SetHeaderGlyphAlignmentHorz, AlignmentTypeInfo())
      .Default(taLeftJustify);
  p.Enum("HeaderGlyphAlignmentVert", &C::HeaderGlyphAlignmentVert, &C::SetHeaderGlyphAlignmentVert,
         AlignmentVertType())
      .Default(vaCenter);
  p.Object("Options", &C::OptionsObject, &C::SetOptionsObject, TcxGridColumnOptions::StaticClass());
  p.Object("Styles", &C::StylesObject, &C::SetStylesObject, TcxGridColumnStyles::StaticClass());
  p.Object("Summary", &C::SummaryObject, &C::SetSummary, TcxGridColumnSummary::StaticClass());
  p.Int("BestFitMaxWidth", &C::BestFitMaxWidth, &C::SetBestFitMaxWidth).Default(0);
  p.Int("GroupIndex", &C::GroupIndex, &C::SetGroupIndex).Default(-1);
  p.Enum("HeaderAlignmentHorz", &C::HeaderAlignmentHorz, &C::SetHeaderAlignmentHorz, AlignmentTypeInfo())
      .Stored(&C::IsHeaderAlignmentHorzAssigned);
  p.Enum("HeaderAlignmentVert", &C::HeaderAlignmentVert, &C::SetHeaderAlignmentVert, AlignmentVertType())
      .Stored(&C::IsHeaderAlignmentVertAssigned);
  p.Bool("Hidden", &C::Hidden, &C::SetHidden).Stored(&C::IsHiddenStored);
  p.Int("MinWidth", &C::MinWidth, &C::SetMinWidth).Default(20);
  p.Int("SortIndex", &C::SortIndex, &C::SetSortIndex).Default(-1);
  p.Enum("SortOrder", &C::SortOrder, &C::SetSortOrder, SortOrderType()).Stored(&C::IsSortOrderStored);
  p.Bool("Visible", &C::Visible, &C::SetVisible).Stored(&C::IsVisibleStored);
  p.Int("Width", &C::Width, &C::SetWidth).Stored(&C::IsWidthAssigned);
}
KORVAN_IMPLEMENT_CLASS(TcxGridTableSummaryItem)
KORVAN_IMPLEMENT_CLASS(TcxGridTableSummaryGroupItemLink)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridTableOptionsBehavior) {
  using O = TcxGridTableOptionsBehavior;
  p.Int("BestFitMaxRecordCount", &O::BestFitMaxRecordCount, &O::SetBestFitMaxRecordCount).Default(0);
  p.Bool("ColumnHeaderHints", &O::ColumnHeaderHints, &O::SetColumnHeaderHints).Default(true);
  p.Bool("CopyPreviewToClipboard", &O::CopyPreviewToClipboard, &O::SetCopyPreviewToClipboard).Default(true);
  p.Bool("ExpandMasterRowOnDblClick", &O::ExpandMasterRowOnDblClick, &O::SetExpandMasterRowOnDblClick).Default(true);
  p.Bool("FocusCellOnCycle", &O::FocusCellOnCycle, &O::SetFocusCellOnCycle).Default(false);
  p.Bool("PullFocusing", &O::PullFocusing, &O::SetPullFocusing).Default(false);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridTableOptionsCustomize) {
  using O = TcxGridTableOptionsCustomize;
  p.Bool("ColumnFiltering", &O::ItemFiltering, &O::SetItemFiltering).Default(true);
  p.Bool("ColumnGrouping", &O::ItemGrouping, &O::SetItemGrouping).Default(true);
  p.Bool("ColumnHiding", &O::ItemHiding, &O::SetItemHiding).Default(false);
  p.Bool("ColumnHidingOnGrouping", &O::ColumnHidingOnGrouping, &O::SetColumnHidingOnGrouping).Default(true);
  p.Bool("ColumnHorzSizing", &O::ColumnHorzSizing, &O::SetColumnHorzSizing).Default(true);
  p.Bool("ColumnMoving", &O::ItemMoving, &O::SetItemMoving).Default(true);
  p.Bool("ColumnSorting", &O::ItemSorting, &O::SetItemSorting).Default(true);
  p.Bool("ColumnsQuickCustomization", &O::ItemsQuickCustomization, &O::SetItemsQuickCustomization).Default(false);
  p.Int("ColumnsQuickCustomizationMaxDropDownCount", &O::ItemsQuickCustomizationMaxDropDownCount,
        &O::SetItemsQuickCustomizationMaxDropDownCount)
      .Default(0);
  p.Bool("DataRowSizing", &O::DataRowSizing, &O::SetDataRowSizing).Default(false);
  p.Bool("GroupBySorting", &O::GroupBySorting, &O::SetGroupBySorting).Default(false);
  p.Bool("GroupRowSizing", &O::GroupRowSizing, &O::SetGroupRowSizing).Default(false);
}
KORVAN_IMPLEMENT_CLASS(TcxGridTableOptionsData)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridTableOptionsSelection) {
  using O = TcxGridTableOptionsSelection;
  p.Bool("CellMultiSelect", &O::CellMultiSelect, &O::SetCellMultiSelect).Default(false);
  p.Bool("CellSelect", &O::CellSelect, &O::SetCellSelect).Stored(&O::IsCellSelectStored);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridTableOptionsView) {
  using O = TcxGridTableOptionsView;
  p.Bool("CellAutoHeight", &O::CellAutoHeight, &O::SetCellAutoHeight).Default(false);
  p.Int("CellTextMaxLineCount", &O::CellTextMaxLineCount, &O::SetCellTextMaxLineCount).Default(0);
  p.Bool("ColumnAutoWidth", &O::ColumnAutoWidth, &O::SetColumnAutoWidth).Default(false);
  p.Int("DataRowHeight", &O::DataRowHeight, &O::SetDataRowHeight).Default(0);
  p.Bool("ExpandButtonsForEmptyDetails", &O::ExpandButtonsForEmptyDetails, &O::SetExpandButtonsForEmptyDetails)
      .Default(true);
  p.Bool("Footer", &O::Footer, &O::SetFooter).Default(false);
  p.Bool("FooterAutoHeight", &O::FooterAutoHeight, &O::SetFooterAutoHeight).Default(false);
  p.Int("GridLineColor", &O::GridLineColor, &O::SetGridLineColor).Default(clDefault);
  p.Enum("GridLines", &O::GridLines, &O::SetGridLines,
         EnumTypeInfo("TcxGridLines", {"glBoth", "glNone", "glVertical", "glHorizontal"}))
      .Default(glBoth);
  p.Bool("GroupByBox", &O::GroupByBox, &O::SetGroupByBox).Default(true);
  p.Enum("GroupFooters", &O::GroupFooters, &O::SetGroupFooters,
         EnumTypeInfo("TcxGridGroupFootersMode", {"gfInvisible", "gfVisibleWhenExpanded", "gfAlwaysVisible"}))
      .Default(gfInvisible);
  p.Int("GroupRowHeight", &O::GroupRowHeight, &O::SetGroupRowHeight).Default(0);
  p.Enum("GroupRowStyle", &O::GroupRowStyle, &O::SetGroupRowStyle,
         EnumTypeInfo("TcxGridGroupRowStyle", {"grsStandard", "grsOffice11"}))
      .Default(grsStandard);
  p.Bool("Header", &O::Header, &O::SetHeader).Default(true);
  p.Bool("HeaderAutoHeight", &O::HeaderAutoHeight, &O::SetHeaderAutoHeight).Default(false);
  p.Bool("HeaderEndEllipsis", &O::HeaderEndEllipsis, &O::SetHeaderEndEllipsis).Default(false);
  p.Int("HeaderHeight", &O::HeaderHeight, &O::SetHeaderHeight).Default(0);
  p.Bool("Indicator", &O::Indicator, &O::SetIndicator).Default(false);
  p.Int("IndicatorWidth", &O::IndicatorWidth, &O::SetIndicatorWidth).Default(12);
  p.Bool("NewItemRow", &O::NewItemRow, &O::SetNewItemRow).Default(false);
  p.Str("NewItemRowInfoText", &O::NewItemRowInfoText, &O::SetNewItemRowInfoText)
      .Stored(&O::IsNewItemRowInfoTextStored);
  p.Int("NewItemRowSeparatorColor", &O::NewItemRowSeparatorColor, &O::SetNewItemRowSeparatorColor).Default(clDefault);
  p.Int("NewItemRowSeparatorWidth", &O::NewItemRowSeparatorWidth, &O::SetNewItemRowSeparatorWidth).Default(6);
  p.Int("RowSeparatorColor", &O::RowSeparatorColor, &O::SetRowSeparatorColor).Default(clDefault);
  p.Int("RowSeparatorWidth", &O::RowSeparatorWidth, &O::SetRowSeparatorWidth).Default(0);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridPreview) {
  using P = TcxGridPreview;
  p.Bool("AutoHeight", &P::AutoHeight, &P::SetAutoHeight).Default(true);
  p.Object("Column", &P::Column, &P::SetColumn, TcxGridColumn::StaticClass());
  p.Int("LeftIndent", &P::LeftIndent, &P::SetLeftIndent).Default(20);
  p.Int("MaxLineCount", &P::MaxLineCount, &P::SetMaxLineCount).Default(3);
  p.Enum("Place", &P::Place, &P::SetPlace, EnumTypeInfo("TcxGridPreviewPlace", {"ppBottom", "ppTop"}))
      .Default(ppBottom);
  p.Int("RightIndent", &P::RightIndent, &P::SetRightIndent).Default(5);
  p.Bool("Visible", &P::Visible, &P::SetVisible).Default(false);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridTableBackgroundBitmaps) {
  using B = TcxGridTableBackgroundBitmaps;
  p.Object("Footer", &B::Footer, &B::SetFooter, TBitmap::StaticClass());
  p.Object("Header", &B::Header, &B::SetHeader, TBitmap::StaticClass());
  p.Object("Group", &B::Group, &B::SetGroup, TBitmap::StaticClass());
  p.Object("GroupByBox", &B::GroupByBox, &B::SetGroupByBox, TBitmap::StaticClass());
  p.Object("Indicator", &B::Indicator, &B::SetIndicator, TBitmap::StaticClass());
  p.Object("Preview", &B::Preview, &B::SetPreview, TBitmap::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridTableViewStyles) {
  using S = TcxGridTableViewStyles;
  p.Object("StyleSheet", &S::GetStyleSheet, &S::SetStyleSheet, TcxCustomStyleSheet::StaticClass());
  p.Object("Footer", &S::Footer, &S::SetFooter, TcxStyle::StaticClass());
  p.Object("Group", &S::Group, &S::SetGroup, TcxStyle::StaticClass());
  p.Object("GroupByBox", &S::GroupByBox, &S::SetGroupByBox, TcxStyle::StaticClass());
  p.Object("Header", &S::Header, &S::SetHeader, TcxStyle::StaticClass());
  p.Object("NewItemRowInfoText", &S::NewItemRowInfoText, &S::SetNewItemRowInfoText, TcxStyle::StaticClass());
  p.Object("Indicator", &S::Indicator, &S::SetIndicator, TcxStyle::StaticClass());
  p.Object("Preview", &S::Preview, &S::SetPreview, TcxStyle::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridTableViewStyleSheet) {
  using S = TcxGridTableViewStyleSheet;
  p.Object("Styles", &S::Styles, &S::SetStyles, TcxGridTableViewStyles::StaticClass());
}
KORVAN_IMPLEMENT_CLASS(TcxGridTableController)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridTableView) {
  using V = TcxGridTableView;
  p.Object("BackgroundBitmaps", &V::GetBackgroundBitmaps, &V::SetBackgroundBitmapsObject,
           TcxGridTableBackgroundBitmaps::StaticClass());
  p.Object("DataController", &V::GetDataController, &V::SetDataControllerObject,
           TcxGridDataController::StaticClass());
  p.Object("OptionsBehavior", &V::GetOptionsBehavior, &V::SetOptionsBehaviorObject,
           TcxGridTableOptionsBehavior::StaticClass());
  p.Object("OptionsCustomize", &V::GetOptionsCustomize, &V::SetOptionsCustomizeObject,
           TcxGridTableOptionsCustomize::StaticClass());
  p.Object("OptionsData", &V::GetOptionsData, &V::SetOptionsDataObject, TcxGridTableOptionsData::StaticClass());
  p.Object("OptionsSelection", &V::GetOptionsSelection, &V::SetOptionsSelectionObject,
           TcxGridTableOptionsSelection::StaticClass());
  p.Object("OptionsView", &V::GetOptionsView, &V::SetOptionsViewObject, TcxGridTableOptionsView::StaticClass());
  p.Object("Preview", &V::Preview, &V::SetPreview, TcxGridPreview::StaticClass());
  p.Object("Styles", &V::GetStyles, &V::SetStylesObject, TcxGridTableViewStyles::StaticClass());
  p.Event("OnColumnHeaderClick", &V::OnColumnHeaderClick, "TcxGridColumnEvent");
  p.Event("OnColumnPosChanged", &V::OnColumnPosChanged, "TcxGridColumnEvent");
  p.Event("OnColumnSizeChanged", &V::OnColumnSizeChanged, "TcxGridColumnEvent");
  p.Event("OnLeftPosChanged", &V::OnLeftPosChanged);
}

KORVAN_IMPLEMENT_CLASS(TcxGridGroupByBoxHitTest)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridColumnHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnHeaderHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnHeaderHorzSizingEdgeHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnHeaderFilterButtonHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridFooterHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridFooterCellHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridGroupFooterHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridGroupFooterCellHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridRowIndicatorHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridRowSizingEdgeHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridIndicatorHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridRowLevelIndentHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridHeaderHitTest)

TcxDragAndDropObjectClass TcxGridColumnHeaderHitTest::MovingObjectClass;
TcxDragAndDropObjectClass TcxGridColumnHeaderHorzSizingEdgeHitTest::SizingObjectClass;
TcxDragAndDropObjectClass TcxGridRowSizingEdgeHitTest::SizingObjectClass;

TcxDragAndDropObjectClass TcxGridColumnHeaderHitTest::DragAndDropObjectClass() {
  if (!Column || !Column->CanMove()) return nullptr;
  TcxGridTableView* view = Column->GridView();
  auto* controller = view ? dynamic_cast<TcxGridTableController*>(view->Controller()) : nullptr;
  return controller ? controller->GetColumnHeaderMovingObjectClass() : MovingObjectClass;
}

// ---- column options and styles ------------------------------------------------------------------

void TcxGridColumnOptions::SetCellMerging(bool v) {
  if (GridStoreOption(cellMerging_, v)) Changed(1);
}

void TcxGridColumnOptions::SetHorzSizing(bool v) {
  if (GridStoreOption(horzSizing_, v)) Changed(1);
}

void TcxGridColumnOptions::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridColumnOptions*>(source)) {
    SetCellMerging(s->cellMerging_);
    SetHorzSizing(s->horzSizing_);
  }
  TcxCustomGridTableItemOptions::AssignFrom(source);
}

TcxGridColumn* TcxGridColumnStyles::Column() const { return static_cast<TcxGridColumn*>(Item()); }

void TcxGridColumnStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  // The content index, looked up per cell, needs no view of its own here.
  auto* view = index == isFooter || index == isHeader ? dynamic_cast<TcxGridTableView*>(GridView()) : nullptr;
  if (view && index == isFooter) {
    auto* pos = dynamic_cast<TcxGridFooterCellPos*>(data);
    view->GetStyles()->GetFooterParams(pos ? pos->Row : nullptr, Column(), pos ? pos->Level : -1, params);
  } else if (view && index == isHeader) {
    view->GetStyles()->GetHeaderParams(Column(), params);
  } else {
    TcxCustomGridTableItemStyles::DefaultViewParams(index, data, params);
  }
}

void TcxGridColumnStyles::GetFooterParams(TcxCustomGridRow* row, Integer level, TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  auto* view = dynamic_cast<TcxGridTableView*>(GridView());
  if (OnGetFooterStyle) OnGetFooterStyle(view, row, Column(), style);
  if (OnGetFooterStyleEx) OnGetFooterStyleEx(view, row, Column(), level, style);
  TcxGridFooterCellPos pos(row, level);
  ResolveViewParams(isFooter, &pos, style, params);
}

void TcxGridColumnStyles::GetHeaderParams(TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetHeaderStyle) OnGetHeaderStyle(dynamic_cast<TcxGridTableView*>(GridView()), Column(), style);
  ResolveViewParams(isHeader, nullptr, style, params);
}

void TcxGridColumnStyles::AssignFrom(TPersistent* source) {
  TcxCustomGridTableItemStyles::AssignFrom(source);
  if (auto* s = dynamic_cast<TcxGridColumnStyles*>(source)) {
    SetFooter(s->Footer());
    SetHeader(s->Header());
    OnGetFooterStyle = s->OnGetFooterStyle;
    OnGetFooterStyleEx = s->OnGetFooterStyleEx;
    OnGetHeaderStyle = s->OnGetHeaderStyle;
  }
}

// ---- column summary ---------------------------------------------------------------------------

TcxDataSummaryItems* TcxGridColumnSummary::SummaryItems(Integer index) const {
  TcxCustomGridTableView* view = GridView();
  if (!view || !view->DataController() || Item()->Index() < 0) return nullptr;
  TcxDataSummary* summary = view->DataController()->Summary();
  return index == sFooter ? summary->FooterSummaryItems() : summary->DefaultGroupSummaryItems();
}

namespace {
TcxSummaryPosition SummaryPositionOf(Integer index) {
  return index == TcxGridColumnSummary::sGroup ? spGroup : spFooter;
}
}  // namespace

TcxSummaryKind TcxGridColumnSummary::Kind(Integer index) const {
  TcxDataSummaryItems* items = SummaryItems(index);
  return items ? items->GetKindOf(Item()->Index(), SummaryPositionOf(index)) : skNone;
}

void TcxGridColumnSummary::SetKind(Integer index, TcxSummaryKind value) {
  if (TcxDataSummaryItems* items = SummaryItems(index)) items->SetKindOf(Item()->Index(), SummaryPositionOf(index), value);
}

String TcxGridColumnSummary::Format(Integer index) const {
  TcxDataSummaryItems* items = SummaryItems(index);
  return items ? items->GetFormatOf(Item()->Index(), SummaryPositionOf(index)) : String();
}

void TcxGridColumnSummary::SetFormat(Integer index, const String& value) {
  if (TcxDataSummaryItems* items = SummaryItems(index))
    items->SetFormatOf(Item()->Index(), SummaryPositionOf(index), value);
}

void TcxGridColumnSummary::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridColumnSummary*>(source)) {
    for (Integer i = sFooter; i <= sGroup; ++i) {
      SetFormat(i, s->Format(i));
      SetKind(i, s->Kind(i));
    }
  }
  TcxCustomGridTableItemCustomOptions::AssignFrom(source);
}

// ---- columns ----------------------------------------------------------------------------------

TcxGridColumn::TcxGridColumn(TComponent* owner) : TcxCustomGridTableItem(owner), headerGlyph_(new TBitmap) {
  headerGlyph_->OnChange = [this](TObject*) { Changed(1); };
}

TcxGridColumn::~TcxGridColumn() {
  if (TcxGridTableView* view = GridView()) {
    if (view->Preview()) view->Preview()->ColumnFreed(this);
  }
  selected_ = false;
  if (summary_) summary_->Free();
  headerGlyph_->Free();
}

TcxGridTableView* TcxGridColumn::GridView() const {
  return dynamic_cast<TcxGridTableView*>(TcxCustomGridTableItem::GridView());
}

TcxGridColumnSummary* TcxGridColumn::Summary() {
  if (!summary_) summary_ = static_cast<TcxGridColumnSummary*>(GetSummaryClass()->Create(this));
  return summary_;
}

TAlignment TcxGridColumn::GetFooterAlignmentHorz() const {
  if (footerAlignmentHorzAssigned_) return footerAlignmentHorz_;
  IcxEditDefaultValuesProvider* provider = DataBinding() ? DataBinding()->GetDefaultValuesProviderIntf() : nullptr;
  return provider ? provider->DefaultAlignment() : taLeftJustify;
}

void TcxGridColumn::SetFooterAlignmentHorz(TAlignment value) {
  if (value == GetFooterAlignmentHorz() && !IsItemLoading()) return;
  footerAlignmentHorz_ = value;
  footerAlignmentHorzAssigned_ = true;
  Changed(1);
}

bool TcxGridColumn::IsFooterAlignmentHorzStored() const {
  if (!footerAlignmentHorzAssigned_) return false;
  IcxEditDefaultValuesProvider* provider = DataBinding() ? DataBinding()->GetDefaultValuesProviderIntf() : nullptr;
  return footerAlignmentHorz_ != (provider ? provider->DefaultAlignment() : taLeftJustify);
}

void TcxGridColumn::SetHeaderGlyphAlignmentHorz(TAlignment value) {
  if (GridStoreOption(headerGlyphAlignmentHorz_, value)) Changed(1);
}

void TcxGridColumn::SetHeaderGlyphAlignmentVert(TcxAlignmentVert value) {
  if (GridStoreOption(headerGlyphAlignmentVert_, value)) Changed(1);
}

bool TcxGridColumn::IsPreview() const {
  TcxGridTableView* view = GridView();
  return view && view->Preview() && view->Preview()->Column() == this;
}

void TcxGridColumn::SetIsPreview(bool value) {
  TcxGridTableView* view = GridView();
  if (!view) return;
  if (value)
    view->Preview()->SetColumn(this);
  else if (IsPreview())
    view->Preview()->SetColumn(nullptr);
}

void TcxGridColumn::SetSelected(bool value) {
  // The controller keeps the list of selected columns once it exists; the flag is the cell
  // painting's answer.
  if (!GridStoreOption(selected_, value)) return;
  Changed(0);
}

void TcxGridColumn::AssignFrom(TcxCustomGridTableItem* source) {
  if (auto* s = dynamic_cast<TcxGridColumn*>(source)) {
    footerAlignmentHorz_ = s->footerAlignmentHorz_;
    footerAlignmentHorzAssigned_ = s->footerAlignmentHorzAssigned_;
    headerGlyph_->Assign(s->headerGlyph_);
    SetHeaderGlyphAlignmentHorz(s->headerGlyphAlignmentHorz_);
    SetHeaderGlyphAlignmentVert(s->headerGlyphAlignmentVert_);
    Summary()->AssignFrom(s->Summary());
    OnCompareRowValuesForCellMerging = s->OnCompareRowValuesForCellMerging;
    OnCompareValuesForCellMerging = s->OnCompareValuesForCellMerging;
    OnCustomDrawFooterCell = s->OnCustomDrawFooterCell;
    OnCustomDrawHeader = s->OnCustomDrawHeader;
    OnHeaderClick = s->OnHeaderClick;
  }
  TcxCustomGridTableItem::AssignFrom(source);
}

bool TcxGridColumn::GetVisible() const { return TcxCustomGridTableItem::GetVisible() && !IsPreview(); }

bool TcxGridColumn::GetHidden() const { return TcxCustomGridTableItem::GetHidden() || IsPreview(); }

bool TcxGridColumn::HasFixedWidth() const { return !OptionsObject()->HorzSizing(); }

bool TcxGridColumn::CanHorzSize() {
  TcxGridTableView* view = GridView();
  return TcxCustomGridTableItem::CanHorzSize() && view && view->GetOptionsCustomize()->ColumnHorzSizing();
}

bool TcxGridColumn::HidesOnGrouping() {
  TcxGridTableView* view = GridView();
  return view && view->GetOptionsCustomize()->ColumnHidingOnGrouping();
}

bool TcxGridColumn::CanCellMerging() {
  TcxGridTableView* view = GridView();
  return GetOptions()->CellMerging() && view && view->CanCellMerging();
}

bool TcxGridColumn::ChangeGroupIndex(Integer value, bool showOnUngroup) {
  if (!CanGroup()) return false;
  GridView()->BeginUpdate();
  try {
    SetGroupIndex(value);
    if (value == -1) {
      if (showOnUngroup && CanShowOnUngrouping() && WasVisibleBeforeGrouping()) SetVisible(true);
    } else if (HidesOnGrouping() && CanHide()) {
      SetVisible(false);
    }
  } catch (...) {
    GridView()->EndUpdate();
    throw;
  }
  GridView()->EndUpdate();
  return true;
}

bool TcxGridColumn::DoCompareValuesForCellMerging(TcxCustomGridRow* row1, TcxCustomEditProperties* properties1,
                                                  const Variant& value1, TcxCustomGridRow* row2,
                                                  TcxCustomEditProperties* properties2, const Variant& value2) {
  bool equal = properties1 == properties2 && properties1 && properties1->DisplayValuesEqual(value1, value2);
  if (OnCompareValuesForCellMerging) OnCompareValuesForCellMerging(this, properties1, value1, properties2, value2, equal);
  if (OnCompareRowValuesForCellMerging)
    OnCompareRowValuesForCellMerging(this, row1, properties1, value1, row2, properties2, value2, equal);
  return equal;
}

void TcxGridColumn::DoCustomDrawFooterCell(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, bool& done) {
  if (OnCustomDrawFooterCell) OnCustomDrawFooterCell(GridView(), canvas, viewInfo, done);
}

void TcxGridColumn::DoCustomDrawHeader(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, bool& done) {
  if (OnCustomDrawHeader) OnCustomDrawHeader(GridView(), canvas, viewInfo, done);
}

Integer TcxGridColumn::CalculateBestFitWidth() {
  TcxGridTableView* view = GridView();
  if (!view) return Width();
  TcxGridTableViewInfo* info = view->GetViewInfo();
  TcxCanvas* canvas = GridTableMeasuringCanvas(info);
  TcxStyleParams params;
  GetStyles()->GetContentParams(nullptr, params);
  if (params.Font) canvas->ApplyFont(params.Font);
  TcxCustomDataController* dc = view->DataController();
  Integer content = 0;
  if (dc) {
    // All rows, or at most BestFitMaxRecordCount rows from the top record on.
    const int rows = dc->RowCount();
    const int maxCount = int(view->GetOptionsBehavior()->BestFitMaxRecordCount());
    const int first = maxCount == 0 ? 0 : std::max(0, int(view->GetController()->TopRecordIndex()));
    const int last = maxCount == 0 ? rows : std::min(rows, first + maxCount);
    const int dataLevel = dc->Groups()->GroupingLevelCount();
    // The text the cells show: the record's display text, or the properties' text of its value.
    TcxCustomEditProperties* props = GetProperties();
    const bool byText = !props || (props->IsDisplayTextKind() && props->UsesFieldDisplayText(false));
    for (int i = first; i < last; ++i) {
      TcxRowInfo row = dc->RowInfoAt(i);
      if (row.Level != dataLevel) continue;
      const String text = byText ? dc->GetDisplayText(row.RecordIndex, Index())
                                 : props->ValueToDisplayText(dc->GetValue(row.RecordIndex, Index()), false, true);
      content = std::max(content, canvas->MeasureTextWidth(text));
    }
  }
  Integer result = content + 4;
  if (result != 0) result += 2;
  if (info) {
    const TcxBorders borders = info->GetCellBorders(IsRightmostInView());
    if (borders.Contains(bLeft)) result += info->GetGridLineWidth();
    if (borders.Contains(bRight)) result += info->GetGridLineWidth();
  }
  if (!Visible() || !view->Level() || view->IsDestroying()) return result;
  // The footer's and the built group footers' summaries of the column must fit too.
  if (info && info->FooterViewInfo() && VisibleIndex() < info->FooterViewInfo()->GetItemViewInfoCount()) {
    const Integer indent = info->FooterViewInfo()->GetColumnIndent(this);
    if (info->FooterViewInfo()->Visible)
      result = std::max(result, info->FooterViewInfo()->GetCellNaturalWidth(VisibleIndex()) - indent);
    if (TcxCustomGridRecordsViewInfo* rows = info->RecordsViewInfo())
      for (Integer i = 0; i < rows->Count(); ++i)
        if (auto* row = dynamic_cast<TcxCustomGridRowViewInfo*>(rows->Items(i)); row && row->RowFooters())
          result = std::max(result, row->RowFooters()->GetMaxCellWidth(VisibleIndex()) - indent);
  }
  if (!view->GetOptionsView()->Header()) return result;
  if (info && info->HeaderViewInfo() && VisibleIndex() < info->HeaderViewInfo()->GetItemViewInfoCount()) {
    TcxGridColumnHeaderViewInfo* header = info->HeaderViewInfo()->GetItemViewInfo(VisibleIndex());
    return std::max(result, header->GetPreferredWidth() - info->HeaderViewInfo()->GetColumnIndent(this));
  }
  // Not laid out yet: the header's natural width from its caption, frame and right areas.
  TcxCustomLookAndFeelPainterClass painter = view->ViewInfo()->GetLookAndFeelPainter();
  TcxStyleParams headerParams;
  GetStyles()->GetHeaderParams(headerParams);
  if (headerParams.Font) canvas->ApplyFont(headerParams.Font);
  Integer header = canvas->MeasureTextWidth(Caption()) + 4 + 2 * painter->HeaderFrameWidth();
  Integer areas = 0;
  if (CanFilter(true)) areas += painter->FilterDropDownButtonExtent().X;
  if (SortOrder() != soNone) areas += painter->SortMarkAreaSize().X;
  if (areas != 0) header += areas + 2;
  return std::max(result, header);
}

bool TcxGridColumn::KeepsWidthInAutoWidth() const {
  if (HasFixedWidth()) return true;
  TcxGridTableView* view = const_cast<TcxGridColumn*>(this)->GridView();
  auto* controller = view ? dynamic_cast<TcxGridTableController*>(view->Controller()) : nullptr;
  return controller && controller->SizingColumn && controller->IsColumnLeftOfSizing(this);
}

void TcxGridColumn::FreezeAutoWidths() {
  TcxGridTableView* view = GridView();
  if (!view || !view->GetOptionsView()->ColumnAutoWidth()) return;
  // The headers show current widths only outside an update bracket (no layout is pending).
  if (view->IsUpdateLocked()) return;
  TcxGridTableViewInfo* info = view->GetViewInfo();
  TcxGridHeaderViewInfo* header = info ? info->HeaderViewInfo() : nullptr;
  if (!header || header->GetItemViewInfoCount() != view->GetVisibleColumnCount()) return;
  view->BeginUpdate();
  Finally end{[view] { view->EndUpdate(); }};
  for (Integer i = 0; i < header->GetItemViewInfoCount(); ++i) {
    TcxGridColumnHeaderViewInfo* cell = header->GetItemViewInfo(i);
    cell->Column()->SetWidth(cell->CalculateWidth() - header->GetColumnIndent(cell->Column()));
  }
}

void TcxGridColumn::ChangeWidthByUser(Integer value) {
  TcxGridTableView* view = GridView();
  auto* controller = view ? dynamic_cast<TcxGridTableController*>(view->Controller()) : nullptr;
  FreezeAutoWidths();
  {
    // While the width is set, this column and the ones left of it keep their widths.
    if (controller) controller->SizingColumn = this;
    Finally clear{[controller] {
      if (controller) controller->SizingColumn = nullptr;
    }};
    SetWidth(value);
  }
  FreezeAutoWidths();
  Changed(2);
}

void TcxGridColumn::ApplyBestFit(bool checkCanSize, bool fireEvents) {
  TcxGridTableView* view = GridView();
  if (!view || view->IsPattern()) return;
  if (checkCanSize && !CanHorzSize()) return;
  PushHourglassCursor();
  {
    Finally pop{[] { PopHourglassCursor(); }};
    Integer w = CalculateBestFitWidth();
    if (BestFitMaxWidth() != 0) w = std::min(w, BestFitMaxWidth());
    ChangeWidthByUser(w);
  }
  if (fireEvents) view->DoColumnSizeChanged(this);
}

void TcxGridColumn::DoHeaderClick() {
  if (OnHeaderClick) OnHeaderClick(this);
  if (TcxGridTableView* view = GridView()) view->DoColumnHeaderClick(this);
}

void TcxGridColumn::GetStoredProperties(TStrings* list) {
  list->Add("GroupIndex");
  list->Add("Width");
  TcxCustomGridTableItem::GetStoredProperties(list);
}

void TcxGridColumn::GetStoredPropertyValue(const String& name, Variant& value) {
  if (name == "GroupIndex")
    value = Variant(GroupIndex());
  else if (name == "Width")
    value = Variant(Width());
  else
    TcxCustomGridTableItem::GetStoredPropertyValue(name, value);
}

void TcxGridColumn::SetStoredPropertyValue(const String& name, const Variant& value) {
  if (name == "GroupIndex")
    SetGroupIndex(value.AsInteger());
  else if (name == "Width")
    SetWidth(value.AsInteger());
  else
    TcxCustomGridTableItem::SetStoredPropertyValue(name, value);
}

// ---- summary items ----------------------------------------------------------------------------

String TcxGridSummaryItemStoring::GetStoredColumnName(TObject* linkedItem) {
  auto* column = dynamic_cast<TcxGridColumn*>(linkedItem);
  return column ? column->GetStoredName() : String();
}

TcxGridColumn* TcxGridSummaryItemStoring::FindStoredColumn(TcxCustomDataController* dc, const String& name) {
  auto* view = dc ? dynamic_cast<TcxCustomGridTableView*>(dc->Owner()) : nullptr;
  return view ? dynamic_cast<TcxGridColumn*>(view->FindItemByStoredName(name)) : nullptr;
}

bool TcxGridSummaryItemStoring::ListProperties(TStrings* properties, bool answer) {
  properties->Add("Column");
  return answer;
}

void TcxGridSummaryItemStoring::GetValue(TObject* linkedItem, const String& name, Variant& value) {
  if (name == "Column") value = Variant(GetStoredColumnName(linkedItem));
}

void TcxGridSummaryItemStoring::SetValue(TcxCustomDataController* dc, const String& name, const Variant& value,
                                         const std::function<void(TcxGridColumn*)>& link) {
  if (name == "Column") link(FindStoredColumn(dc, value.AsString()));
}

void TcxGridTableSummaryGroupItemLink::SetPropertyValue(const String& name, const Variant& value) {
  auto* links = dynamic_cast<TcxDataSummaryGroupItemLinks*>(Collection());
  TcxGridSummaryItemStoring::SetValue(links ? links->Group()->Summary()->DataController() : nullptr, name, value,
                                      [this](TcxGridColumn* c) { SetColumn(c); });
}

// ---- view options -------------------------------------------------------------------------------

void TcxGridTableOptionsBehavior::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridTableOptionsBehavior*>(source)) {
    SetColumnHeaderHints(s->columnHeaderHints_);
    SetCopyPreviewToClipboard(s->copyPreviewToClipboard_);
    SetExpandMasterRowOnDblClick(s->expandMasterRowOnDblClick_);
  }
  TcxCustomGridTableOptionsBehavior::AssignFrom(source);
}

TcxGridTableView* TcxGridTableOptionsCustomize::GridView() const {
  return static_cast<TcxGridTableView*>(TcxCustomGridOptions::GridView());
}

void TcxGridTableOptionsCustomize::SetGroupBySorting(bool v) {
  if (!GridStoreOption(groupBySorting_, v)) return;
  TcxGridTableView* view = GridView();
  view->BeginUpdate();
  try {
    // Every grouped column is shown and ungrouped, then all sorting goes.
    for (Integer i = view->GetGroupedColumnCount() - 1; i >= 0; --i) {
      TcxGridColumn* column = view->GetGroupedColumn(i);
      column->SetVisible(true);
    }
    if (TcxCustomDataController* dc = view->DataController()) {
      dc->Groups()->ClearGrouping();
      dc->ClearSorting(false);
    }
  } catch (...) {
    view->EndUpdate();
    throw;
  }
  view->EndUpdate();
  Changed(0);
}

void TcxGridTableOptionsCustomize::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridTableOptionsCustomize*>(source)) {
    SetColumnHidingOnGrouping(s->columnHidingOnGrouping_);
    SetColumnHorzSizing(s->columnHorzSizing_);
    SetDataRowSizing(s->dataRowSizing_);
    SetGroupBySorting(s->groupBySorting_);
    SetGroupRowSizing(s->groupRowSizing_);
  }
  TcxCustomGridTableOptionsCustomize::AssignFrom(source);
}

void TcxGridTableOptionsSelection::SetCellMultiSelect(bool v) {
  if (!GridStoreOption(cellMultiSelect_, v)) return;
  SetCellSelect(true);
  SetInvertSelect(!v);
  SetMultiSelect(v);
  Changed(0);
}

void TcxGridTableOptionsSelection::SetCellSelect(bool v) {
  if (cellMultiSelect_ && !v) return;
  TcxCustomGridTableOptionsSelection::SetCellSelect(v);
}

void TcxGridTableOptionsSelection::SetInvertSelect(bool v) {
  if (cellMultiSelect_ && v) return;
  TcxCustomGridTableOptionsSelection::SetInvertSelect(v);
}

void TcxGridTableOptionsSelection::SetMultiSelect(bool v) {
  if (cellMultiSelect_ && !v) return;
  TcxCustomGridTableOptionsSelection::SetMultiSelect(v);
}

void TcxGridTableOptionsSelection::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridTableOptionsSelection*>(source)) SetCellMultiSelect(s->cellMultiSelect_);
  TcxCustomGridTableOptionsSelection::AssignFrom(source);
}

TcxGridTableOptionsView::TcxGridTableOptionsView(TcxCustomGridView* v)
    : TcxCustomGridTableOptionsView(v), newItemRowInfoText_(LoadReplaceableResString(scxGridNewItemRowInfoText)) {}

TcxGridTableView* TcxGridTableOptionsView::GridView() const {
  return static_cast<TcxGridTableView*>(TcxCustomGridOptions::GridView());
}

Integer TcxGridTableOptionsView::CorrectRowHeight(Integer value, bool group) const {
  if (value <= 0) return 0;
  const std::function<Integer()>& minimum = group ? MinGroupRowHeight : MinDataRowHeight;
  Integer least = minimum ? minimum() : -1;
  if (least < 0) {
    // The content font's text height plus the cell text indents, until the rows' layout
    // measures the cells of the visible columns.
    TcxStyleParams params;
    GridView()->GetStyles()->GetContentParams(nullptr, nullptr, params);
    TcxCustomGridViewInfo* viewInfo = GridView()->ViewInfo();
    least = viewInfo ? viewInfo->GetFontHeight(params.Font) : 0;
    if (least == 0 && params.Font) least = std::abs(params.Font->Height());
    AddCellTextIndents(least);
  }
  return std::max(value, least);
}

void TcxGridTableOptionsView::SetDataRowHeight(Integer v) {
  if (GridStoreOption(dataRowHeight_, CorrectRowHeight(v, false))) Changed(2);
}

void TcxGridTableOptionsView::SetGroupRowHeight(Integer v) {
  if (GridStoreOption(groupRowHeight_, CorrectRowHeight(v, true))) Changed(2);
}

void TcxGridTableOptionsView::SetGridLineColor(TColor v) {
  if (GridStoreOption(gridLineColor_, v)) Changed(1);
}

void TcxGridTableOptionsView::SetGridLines(TcxGridLines v) {
  if (GridStoreOption(gridLines_, v)) Changed(2);
}

void TcxGridTableOptionsView::SetGroupFooters(TcxGridGroupFootersMode v) {
  if (groupFooters_ == v) return;
  prevGroupFooters_ = groupFooters_;
  groupFooters_ = v;
  Changed(2);
}

void TcxGridTableOptionsView::SetGroupRowStyle(TcxGridGroupRowStyle v) {
  if (GridStoreOption(groupRowStyle_, v)) Changed(2);
}

void TcxGridTableOptionsView::SetHeaderHeight(Integer v) {
  if (GridStoreOption(headerHeight_, std::max(v, Integer(0)))) Changed(2);
}

void TcxGridTableOptionsView::SetIndicatorWidth(Integer v) {
  if (GridStoreOption(indicatorWidth_, std::max(v, Integer(0)))) Changed(2);
}

void TcxGridTableOptionsView::SetNewItemRow(bool v) {
  if (!GridStoreOption(newItemRow_, v)) return;
  TcxGridTableView* view = GridView();
  if (TcxCustomGridTableViewData* data = view->TableViewData()) data->CheckNewItemRecord();
  if (TcxCustomDataController* dc = view->DataController()) dc->SetUseNewItemRowForEditing(v);
  Changed(2);
}

void TcxGridTableOptionsView::SetNewItemRowInfoText(const String& v) {
  if (GridStoreOption(newItemRowInfoText_, v)) Changed(1);
}

bool TcxGridTableOptionsView::IsNewItemRowInfoTextStored() const {
  return newItemRowInfoText_ != LoadReplaceableResString(scxGridNewItemRowInfoText);
}

void TcxGridTableOptionsView::SetNewItemRowSeparatorColor(TColor v) {
  if (GridStoreOption(newItemRowSeparatorColor_, v)) Changed(1);
}

void TcxGridTableOptionsView::SetNewItemRowSeparatorWidth(Integer v) {
  if (GridStoreOption(newItemRowSeparatorWidth_, std::max(v, Integer(2)))) Changed(2);
}

void TcxGridTableOptionsView::SetRowSeparatorColor(TColor v) {
  if (GridStoreOption(rowSeparatorColor_, v)) Changed(1);
}

void TcxGridTableOptionsView::SetRowSeparatorWidth(Integer v) {
  if (GridStoreOption(rowSeparatorWidth_, std::max(v, Integer(0)))) Changed(2);
}

namespace {
TcxCustomLookAndFeelPainterClass PainterOf(TcxCustomGridView* view) {
  TcxCustomGrid* grid = view ? view->Control() : nullptr;
  return grid ? grid->CurrentPainter() : TcxStandardLookAndFeelPainter::Class();
}
}  // namespace

TcxCustomLookAndFeelPainterClass GridTableViewPainter(TcxCustomGridView* view) { return PainterOf(view); }

TColor TcxGridTableOptionsView::GetGridLineColor() const {
  return gridLineColor_ != clDefault ? gridLineColor_ : PainterOf(GridView())->GridLineColor();
}

TColor TcxGridTableOptionsView::GetNewItemRowSeparatorColor() const {
  return newItemRowSeparatorColor_ != clDefault ? newItemRowSeparatorColor_ : PainterOf(GridView())->HeaderColor();
}

TColor TcxGridTableOptionsView::GetRowSeparatorColor() const {
  return rowSeparatorColor_ != clDefault ? rowSeparatorColor_ : PainterOf(GridView())->RowSeparatorColor();
}

void TcxGridTableOptionsView::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridTableOptionsView*>(source)) {
    SetColumnAutoWidth(s->columnAutoWidth_);
    SetDataRowHeight(s->dataRowHeight_);
    SetExpandButtonsForEmptyDetails(s->expandButtonsForEmptyDetails_);
    SetFooter(s->footer_);
    SetFooterAutoHeight(s->footerAutoHeight_);
    SetGridLineColor(s->gridLineColor_);
    SetGridLines(s->gridLines_);
    SetGroupByBox(s->groupByBox_);
    SetGroupFooters(s->groupFooters_);
    prevGroupFooters_ = s->prevGroupFooters_;
    SetGroupRowHeight(s->groupRowHeight_);
    SetGroupRowStyle(s->groupRowStyle_);
    SetHeader(s->header_);
    SetHeaderHeight(s->headerHeight_);
    SetIndicator(s->indicator_);
    SetIndicatorWidth(s->indicatorWidth_);
    SetNewItemRow(s->newItemRow_);
    SetNewItemRowInfoText(s->newItemRowInfoText_);
    SetNewItemRowSeparatorColor(s->newItemRowSeparatorColor_);
    SetNewItemRowSeparatorWidth(s->newItemRowSeparatorWidth_);
    SetRowSeparatorColor(s->rowSeparatorColor_);
    SetRowSeparatorWidth(s->rowSeparatorWidth_);
  }
  TcxCustomGridTableOptionsView::AssignFrom(source);
}

// ---- preview ----------------------------------------------------------------------------------------

TcxGridTableView* TcxGridPreview::GridView() const {
  return static_cast<TcxGridTableView*>(TcxCustomGridOptions::GridView());
}

void TcxGridPreview::SetAutoHeight(bool v) {
  if (GridStoreOption(autoHeight_, v)) PropertyChanged();
}

void TcxGridPreview::SetLeftIndent(Integer v) {
  if (GridStoreOption(leftIndent_, std::max(v, Integer(0)))) PropertyChanged();
}

void TcxGridPreview::SetMaxLineCount(Integer v) {
  if (GridStoreOption(maxLineCount_, std::max(v, Integer(0)))) PropertyChanged();
}

void TcxGridPreview::SetPlace(TcxGridPreviewPlace v) {
  if (GridStoreOption(place_, v)) PropertyChanged();
}

void TcxGridPreview::SetRightIndent(Integer v) {
  if (GridStoreOption(rightIndent_, std::max(v, Integer(0)))) PropertyChanged();
}

void TcxGridPreview::SetVisible(bool v) {
  if (GridStoreOption(visible_, v)) Changed(2);
}

void TcxGridPreview::SetColumn(TcxGridColumn* v) {
  // A column of another view stands for none.
  if (v && v->GridView() != GridView()) v = nullptr;
  if (column_ == v) return;
  TcxGridTableView* view = GridView();
  TcxGridColumn* old = column_;
  view->BeginUpdate();
  try {
    column_ = v;
    if (old) view->ItemVisibilityChanged(old, old->Visible());
    if (v) view->ItemVisibilityChanged(v, false);
  } catch (...) {
    view->EndUpdate();
    throw;
  }
  view->EndUpdate();
}

void TcxGridPreview::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridPreview*>(source)) {
    // The source's column maps to the column of the same ID in this view.
    TcxGridColumn* column = nullptr;
    if (s->Column()) column = dynamic_cast<TcxGridColumn*>(GridView()->FindItemByID(s->Column()->ID()));
    SetAutoHeight(s->autoHeight_);
    SetColumn(column);
    SetLeftIndent(s->leftIndent_);
    SetMaxLineCount(s->maxLineCount_);
    SetPlace(s->place_);
    SetRightIndent(s->rightIndent_);
    SetVisible(s->visible_);
  }
  TcxCustomGridOptions::AssignFrom(source);
}

// ---- background bitmaps -------------------------------------------------------------------------

Integer TcxGridTableBackgroundBitmaps::GetBitmapStyleIndex(Integer index) {
  switch (index) {
    case bbFooter:
      return TcxGridTableViewStyles::vsFooter;
    case bbHeader:
      return TcxGridTableViewStyles::vsHeader;
    case bbGroup:
      return TcxGridTableViewStyles::vsGroup;
    case bbGroupByBox:
      return TcxGridTableViewStyles::vsGroupByBox;
    case bbIndicator:
      return TcxGridTableViewStyles::vsIndicator;
    case bbPreview:
      return TcxGridTableViewStyles::vsPreview;
    default:
      return TcxCustomGridTableBackgroundBitmaps::GetBitmapStyleIndex(index);
  }
}

void TcxGridTableBackgroundBitmaps::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridTableBackgroundBitmaps*>(source)) {
    for (Integer i = bbFooter; i <= bbPreview; ++i) OwnBitmap(i)->Assign(s->OwnBitmap(i));
  }
  TcxCustomGridTableBackgroundBitmaps::AssignFrom(source);
}

// ---- view styles ------------------------------------------------------------------------------------

// A class check rather than a cast: the content lookup of every cell asks for the view.
TcxGridTableView* TcxGridTableViewStyles::TableView() const {
  TcxCustomGridView* view = GridView();
  return view && view->InheritsFrom(TcxGridTableView::StaticClass()) ? static_cast<TcxGridTableView*>(view) : nullptr;
}

void TcxGridTableViewStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  TcxCustomGridTableViewStyles::DefaultViewParams(index, data, params);
  TcxCustomLookAndFeelPainterClass painter = LookAndFeelPainter();
  // Only the group, new item row and preview styles read the record.
  auto record = [data] { return dynamic_cast<TcxCustomGridRecord*>(data); };
  switch (index) {
    case vsFooter:
      params.Color = painter->FooterColor();
      params.TextColor = painter->FooterTextColor();
      break;
    case vsGroup: {
      // The font and any value not named here come from the record's content.
      TcxCustomGridTableViewStyles::GetContentParams(record(), nullptr, params);
      const bool office11 = TableView() && TableView()->GetOptionsView()->GroupRowStyle() == grsOffice11;
      if (!office11) {
        params.Color = painter->GroupColor();
        params.TextColor = painter->GroupTextColor();
      } else if (record()) {
        params.Color = clWindow;
        params.TextColor = Office11GroupLineColor;
      } else {
        params.Color = Office11GroupRowColor;
      }
      break;
    }
    case vsGroupByBox:
      params.Color = painter->GroupByBoxColor();
      params.TextColor = painter->GroupByBoxTextColor();
      break;
    case vsHeader:
    case vsIndicator:
      params.Color = painter->HeaderColor();
      params.TextColor = painter->HeaderTextColor();
      break;
    case vsNewItemRowInfoText:
      GetRecordContentParams(record(), nullptr, params);
      params.TextColor = clGrayText;
      break;
    case vsPreview: {
      TcxGridColumn* previewColumn = TableView() ? TableView()->Preview()->Column() : nullptr;
      TcxCustomGridTableViewStyles::GetContentParams(record(), previewColumn, params);
      params.TextColor = painter->PreviewTextColor();
      break;
    }
    default:
      break;
  }
}

void TcxGridTableViewStyles::GetContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                              TcxStyleParams& params) {
  TcxGridTableView* view = TableView();
  if (item && view && item == view->Preview()->Column())
    GetPreviewParams(record, item, params);
  else
    TcxCustomGridTableViewStyles::GetContentParams(record, item, params);
}

void TcxGridTableViewStyles::GetRecordContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                                    TcxStyleParams& params) {
  // A row with cells is never a group row: data rows, the common case, skip the cast.
  if (record && !record->HasCells() && dynamic_cast<TcxGridGroupRow*>(record))
    GetGroupParams(record, -1, params);
  else
    TcxCustomGridTableViewStyles::GetRecordContentParams(record, item, params);
}

void TcxGridTableViewStyles::GetFooterParams(TcxCustomGridRow* row, TcxGridColumn* column, Integer level,
                                             TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetFooterStyle) OnGetFooterStyle(TableView(), row, column, style);
  if (OnGetFooterStyleEx) OnGetFooterStyleEx(TableView(), row, column, level, style);
  ResolveViewParams(vsFooter, nullptr, style, params);
}

void TcxGridTableViewStyles::GetGroupParams(TcxCustomGridRecord* record, Integer level, TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetGroupStyle) {
    if (record) level = record->Level();
    OnGetGroupStyle(TableView(), record, level, style);
  }
  ResolveViewParams(vsGroup, record, style, params);
}

void TcxGridTableViewStyles::GetHeaderParams(TcxGridColumn* column, TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetHeaderStyle) OnGetHeaderStyle(TableView(), column, style);
  ResolveViewParams(vsHeader, nullptr, style, params);
}

void TcxGridTableViewStyles::GetPreviewParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                              TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetPreviewStyle) OnGetPreviewStyle(TableView(), record, item, style);
  ResolveViewParams(vsPreview, record, style, params);
}

void TcxGridTableViewStyles::AssignFrom(TPersistent* source) {
  TcxCustomGridTableViewStyles::AssignFrom(source);
  if (auto* s = dynamic_cast<TcxGridTableViewStyles*>(source)) {
    for (Integer i : {vsFooter, vsGroup, vsGroupByBox, vsHeader, vsIndicator, vsNewItemRowInfoText, vsPreview})
      SetIndexedStyle(i, s->GetIndexedStyle(i));
    OnGetFooterStyle = s->OnGetFooterStyle;
    OnGetFooterStyleEx = s->OnGetFooterStyleEx;
    OnGetGroupStyle = s->OnGetGroupStyle;
    OnGetHeaderStyle = s->OnGetHeaderStyle;
    OnGetPreviewStyle = s->OnGetPreviewStyle;
  }
}

// ---- the table view ---------------------------------------------------------------------------------

TcxGridTableView::~TcxGridTableView() = default;

TClass TcxGridTableView::GetViewDataClass() { return TcxGridViewData::StaticClass(); }

TClass TcxGridTableView::GetPainterClass() { return TcxGridTablePainter::StaticClass(); }

TClass TcxGridTableView::GetViewInfoClass() { return TcxGridTableViewInfo::StaticClass(); }

TcxGridTableViewInfo* TcxGridTableView::GetViewInfo() const { return static_cast<TcxGridTableViewInfo*>(ViewInfo()); }

TcxGridViewData* TcxGridTableView::GetViewData() const { return static_cast<TcxGridViewData*>(ViewData()); }

void TcxGridTableView::CreateOptions() {
  TcxCustomGridTableView::CreateOptions();
  preview_ = static_cast<TcxGridPreview*>(GetPreviewClass()->Create(this));
  // The smallest positive row heights are the rows' default heights.
  GetOptionsView()->MinDataRowHeight = [this] {
    TcxGridTableViewInfo* info = GetViewInfo();
    return info ? TcxGridRowsViewInfo(info).CalculateDefaultDataRowHeight() : -1;
  };
  GetOptionsView()->MinGroupRowHeight = [this] {
    TcxGridTableViewInfo* info = GetViewInfo();
    return info ? TcxGridRowsViewInfo(info).CalculateGroupDefaultRowHeight(true) : -1;
  };
}

void TcxGridTableView::DestroyOptions() {
  FreeAndNil(preview_);
  TcxCustomGridTableView::DestroyOptions();
}

TcxGridColumn* TcxGridTableView::GetColumn(Integer index) const {
  if (index < 0 || index >= ItemCount()) TList::Error("List index out of bounds (%d)", index);
  return static_cast<TcxGridColumn*>(Items(index));
}

TcxGridColumn* TcxGridTableView::GetVisibleColumn(Integer index) const {
  if (index < 0 || index >= VisibleItemCount()) TList::Error("List index out of bounds (%d)", index);
  return static_cast<TcxGridColumn*>(VisibleItems(index));
}

Integer TcxGridTableView::GetGroupedColumnCount() const {
  return DataController() ? DataController()->Groups()->GroupingLevelCount() : 0;
}

TcxGridColumn* TcxGridTableView::GetGroupedColumn(Integer index) const {
  if (index < 0 || index >= GetGroupedColumnCount()) TList::Error("List index out of bounds (%d)", index);
  return static_cast<TcxGridColumn*>(Items(DataController()->Groups()->ItemIndexOfLevel(index)));
}

bool TcxGridTableView::HasCellMergingColumns() const {
  for (Integer i = 0; i < VisibleItemCount(); ++i)
    if (GetVisibleColumn(i)->CanCellMerging()) return true;
  return false;
}

bool TcxGridTableView::CanCellMerging() const {
  return !preview_->Active() && GetOptionsView()->RowSeparatorWidth() == 0;
}

bool TcxGridTableView::CanOffsetHorz() {
  TcxCustomGrid* grid = Control();
  if (grid && grid->IsLocked()) return false;
  return !(IsMasterView() && GetGroupedColumnCount() > 0);
}

bool TcxGridTableView::HidesExpandButtonsForEmptyDetails() const {
  return !GetOptionsView()->ExpandButtonsForEmptyDetails();
}

bool TcxGridTableView::IsLayoutWidthDependent() {
  return TcxCustomGridTableView::IsLayoutWidthDependent() || GetOptionsView()->ColumnAutoWidth() ||
         preview_->Active() || IsMasterView();
}

void TcxGridTableView::DetailDataChanged(TcxCustomGridView* detail) {
  TcxCustomGridTableView::DetailDataChanged(detail);
  if (HidesExpandButtonsForEmptyDetails()) QueueLayoutChange();
}

bool TcxGridTableView::HasVariableRecordHeights() const { return preview_->Active() && preview_->AutoHeight(); }

void TcxGridTableView::GetItemsForCopy(std::vector<TcxCustomGridTableItem*>& list, bool copyAll) {
  if (!copyAll && GetOptionsSelection()->CellMultiSelect()) {
    // The selected columns in the range-selection order.
    std::vector<TcxGridColumn*> columns;
    GetItemsForRangeSelection(columns);
    for (TcxGridColumn* column : columns)
      if (column->Selected()) list.push_back(column);
  } else {
    TcxCustomGridTableView::GetItemsForCopy(list, copyAll);
  }
  if (GetOptionsBehavior()->CopyPreviewToClipboard() && preview_->Active()) list.push_back(preview_->Column());
}

void TcxGridTableView::GetItemsForRangeSelection(std::vector<TcxGridColumn*>& list) {
  for (Integer i = 0; i < GetVisibleColumnCount(); ++i) list.push_back(GetVisibleColumn(i));
}

String TcxGridTableView::GetCustomizationCaption() { return LoadReplaceableResString(scxGridColumnsCustomization); }

void TcxGridTableView::GetStoredProperties(TStrings* properties) {
  for (const char* name : {"Footer", "GroupByBox", "GroupFooters", "NewItemRow"}) properties->Add(name);
  TcxCustomGridTableView::GetStoredProperties(properties);
}

void TcxGridTableView::GetStoredPropertyValue(const String& name, Variant& value) {
  TcxGridTableOptionsView* options = GetOptionsView();
  if (name == "Footer")
    value = Variant(options->Footer());
  else if (name == "GroupByBox")
    value = Variant(options->GroupByBox());
  else if (name == "GroupFooters")
    value = Variant(Integer(options->GroupFooters()));
  else if (name == "NewItemRow")
    value = Variant(options->NewItemRow());
  else
    TcxCustomGridTableView::GetStoredPropertyValue(name, value);
}

void TcxGridTableView::SetStoredPropertyValue(const String& name, const Variant& value) {
  TcxGridTableOptionsView* options = GetOptionsView();
  if (name == "Footer") {
    options->SetFooter(value.AsBoolean());
  } else if (name == "GroupByBox") {
    options->SetGroupByBox(value.AsBoolean());
  } else if (name == "GroupFooters") {
    // Older layouts stored a Boolean.
    if (value.IsString())
      options->SetGroupFooters(value.AsBoolean() ? gfVisibleWhenExpanded : gfInvisible);
    else
      options->SetGroupFooters(TcxGridGroupFootersMode(std::clamp(value.AsInteger(), 0, Integer(gfAlwaysVisible))));
  } else if (name == "NewItemRow") {
    options->SetNewItemRow(value.AsBoolean());
  } else {
    TcxCustomGridTableView::SetStoredPropertyValue(name, value);
  }
}

void TcxGridTableView::ApplyEditedLayout(TcxCustomGridView* source) {
  TcxCustomGridTableView::ApplyEditedLayout(source);
  auto* s = dynamic_cast<TcxGridTableView*>(source);
  if (!s) return;
  TcxGridTableOptionsView* from = s->GetOptionsView();
  TcxGridTableOptionsView* to = GetOptionsView();
  to->SetDataRowHeight(from->DataRowHeight());
  to->SetFooter(from->Footer());
  to->SetGroupByBox(from->GroupByBox());
  to->SetGroupFooters(from->GroupFooters());
  to->SetGroupRowHeight(from->GroupRowHeight());
}

void TcxGridTableView::DoAssign(TcxCustomGridView* source) {
  auto* s = dynamic_cast<TcxGridTableView*>(source);
  if (s) {
    OnColumnHeaderClick = s->OnColumnHeaderClick;
    OnColumnPosChanged = s->OnColumnPosChanged;
    OnColumnSizeChanged = s->OnColumnSizeChanged;
    OnCustomDrawColumnHeader = s->OnCustomDrawColumnHeader;
    OnCustomDrawFooterCell = s->OnCustomDrawFooterCell;
    OnCustomDrawGroupCell = s->OnCustomDrawGroupCell;
    OnCustomDrawIndicatorCell = s->OnCustomDrawIndicatorCell;
    OnLeftPosChanged = s->OnLeftPosChanged;
  }
  TcxCustomGridTableView::DoAssign(source);
  if (s) preview_->AssignFrom(s->preview_);
}

void TcxGridTableView::DoColumnHeaderClick(TcxGridColumn* column) {
  if (OnColumnHeaderClick) OnColumnHeaderClick(this, column);
}

void TcxGridTableView::DoColumnPosChanged(TcxGridColumn* column) {
  if (OnColumnPosChanged) OnColumnPosChanged(this, column);
}

void TcxGridTableView::DoColumnSizeChanged(TcxGridColumn* column) {
  if (OnColumnSizeChanged) OnColumnSizeChanged(this, column);
}

void TcxGridTableView::DoCustomDrawColumnHeader(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, bool& done) {
  if (OnCustomDrawColumnHeader) OnCustomDrawColumnHeader(this, canvas, viewInfo, done);
}

void TcxGridTableView::DoCustomDrawFooterCell(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, bool& done) {
  if (OnCustomDrawFooterCell) OnCustomDrawFooterCell(this, canvas, viewInfo, done);
}

void TcxGridTableView::DoCustomDrawGroupCell(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, bool& done) {
  if (OnCustomDrawGroupCell) OnCustomDrawGroupCell(this, canvas, viewInfo, done);
}

void TcxGridTableView::DoCustomDrawIndicatorCell(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo,
                                                 bool& done) {
  if (OnCustomDrawIndicatorCell) OnCustomDrawIndicatorCell(this, canvas, viewInfo, done);
}

void TcxGridTableView::ApplyBestFit(TcxCustomGridTableItem* item, bool checkCanSize, bool fireEvents) {
  if (item) {
    static_cast<TcxGridColumn*>(item)->ApplyBestFit(checkCanSize, fireEvents);
    return;
  }
  BeginUpdate();
  Finally end{[this] { EndUpdate(); }};
  for (Integer i = 0; i < GetVisibleColumnCount(); ++i) GetVisibleColumn(i)->ApplyBestFit(checkCanSize, fireEvents);
}

void TcxGridTableView::DoLeftPosChanged() {
  if (OnLeftPosChanged) OnLeftPosChanged(this);
}

// ---- unit start -------------------------------------------------------------------------------------

void InitializeCxGridTableView() {
  static bool done = false;
  if (done) return;
  done = true;
  InitializeCxGrid();
  GridRegisteredViews()->Register(TcxGridTableView::StaticClass(), "Table");
  RegisterClass(TcxGridColumn::StaticClass());
  RegisterClass(TcxGridTableViewStyleSheet::StaticClass());
  RegisterClass(TcxGridTableView::StaticClass());
  RegisterGridTableViewInfoPainters();
  RegisterGridRowPainters();
  RegisterGridTableViewDragObjects();
}
