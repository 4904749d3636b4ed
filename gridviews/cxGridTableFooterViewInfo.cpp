// Footers, group footers and the indicator of the table view (unit cxGridTableView): the
// footer part below the rows with one cell per column, the group footers that close groups
// under their last rows, the indicator column with its header, row and footer items, and
// their painters.
#include <algorithm>

#include "foundation/cxLookAndFeelPainters.h"
#include "grid/cxGridCustomTableController.h"
#include "grid/cxGridCustomizationForm.h"
#include "gridviews/cxGridRows.h"
#include "gridviews/cxGridTableViewInfo.h"
#include "rtl/SysUtils.h"

KORVAN_IMPLEMENT_CLASS(TcxGridFooterCellViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridFooterViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridRowFooterCellViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridRowFooterViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridRowFootersViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridIndicatorItemViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridIndicatorHeaderItemViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridIndicatorRowItemViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridIndicatorFooterItemViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridIndicatorViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridFooterPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridFooterCellPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridIndicatorPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridIndicatorHeaderItemPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridIndicatorRowItemPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridIndicatorFooterItemPainter)

namespace {

const TcxResourceStringRec scxGridQuickCustomizationHint{"scxGridQuickCustomizationHint",
                                                          "Click here to select visible columns"};

TBitmap* ViewBitmap(TcxGridTableView* view, Integer index) {
  TBitmap* b = view->GetBackgroundBitmaps()->GetBitmap(index);
  return b && !b->Empty() ? b : nullptr;
}

}  // namespace

// ---- footer cells ------------------------------------------------------------------------------------

TcxGridFooterViewInfo* TcxGridFooterCellViewInfo::Footer() const {
  return static_cast<TcxGridFooterViewInfo*>(Container());
}

Integer TcxGridFooterCellViewInfo::GetCellFrameWidth() {
  return GridViewInfo()->GetLookAndFeelPainter()->FooterCellFrameWidth();
}

Integer TcxGridFooterCellViewInfo::CalculateHeight() {
  return TcxGridColumnHeaderViewInfo::CalculateHeight() +
         2 * GridViewInfo()->GetLookAndFeelPainter()->FooterCellSpacing();
}

Integer TcxGridFooterCellViewInfo::GetPreferredWidth() {
  EnsureTextAndParams();
  return TcxCustomGridViewCellViewInfo::GetPreferredWidth() +
         2 * GridViewInfo()->GetLookAndFeelPainter()->FooterCellSpacing();
}

void TcxGridFooterCellViewInfo::CalculateAreas() {}

bool TcxGridFooterCellViewInfo::CustomDraw(TcxCanvas* canvas) {
  bool done = false;
  Column()->DoCustomDrawFooterCell(canvas, this, done);
  if (!done) TableView()->DoCustomDrawFooterCell(canvas, this, done);
  return done;
}

bool TcxGridFooterCellViewInfo::HasCustomDraw() {
  return bool(Column()->OnCustomDrawFooterCell) || TableView()->HasCustomDrawFooterCell();
}

TAlignment TcxGridFooterCellViewInfo::GetAlignmentHorz() { return Column()->GetFooterAlignmentHorz(); }

TBitmap* TcxGridFooterCellViewInfo::GetBackgroundBitmap() {
  return ViewBitmap(TableView(), TcxGridTableBackgroundBitmaps::bbFooter);
}

TcxCustomGridCellPainterClass TcxGridFooterCellViewInfo::GetPainterClass() {
  return TcxGridFooterCellPainter::StaticClass();
}

Integer TcxGridFooterCellViewInfo::GetSummaryItemIndex() {
  TcxCustomDataController* dc = TableView()->DataController();
  if (!dc) return -1;
  TcxDataSummaryItems* items = dc->Summary()->FooterSummaryItems();
  for (int i = 0; i < items->Count(); ++i)
    if (items->Items(i)->LinkedItem() == Column()) return i;
  return -1;
}

String TcxGridFooterCellViewInfo::GetText() {
  const Integer index = GetSummaryItemIndex();
  return index == -1 ? String() : TableView()->DataController()->Summary()->FooterSummaryDisplayText(index);
}

void TcxGridFooterCellViewInfo::GetViewParams(TcxStyleParams& params) {
  Column()->GetStyles()->GetFooterParams(nullptr, -1, params);
}

// ---- the footer -----------------------------------------------------------------------------------------

TcxGridColumnHeaderViewInfo* TcxGridFooterViewInfo::CreateItemViewInfo(TcxGridColumn* column) {
  return new TcxGridFooterCellViewInfo(this, column);
}

bool TcxGridFooterViewInfo::IsPartVisible() { return TableView()->GetOptionsView()->Footer(); }

bool TcxGridFooterViewInfo::IsMultiLine() {
  return TableView()->GetOptionsView()->FooterAutoHeight() && TableViewInfo()->SupportsRowHeightOptions();
}

bool TcxGridFooterViewInfo::PaintsItemsFirst() {
  return !GridViewInfo()->GetLookAndFeelPainter()->FooterItemPassNeeded();
}

Integer TcxGridFooterViewInfo::SeparatorWidth() {
  return HasSeparator() ? GridViewInfo()->GetLookAndFeelPainter()->FooterSeparatorWidth() : 0;
}

TcxBorders TcxGridFooterViewInfo::GetBorders() {
  TcxBorders result = GridViewInfo()->GetLookAndFeelPainter()->FooterFrameSides();
  // The separator is the top strip: it counts as part of the top border.
  if (SeparatorWidth() > 0) result.Include(bTop);
  return result;
}

Integer TcxGridFooterViewInfo::GetBorderWidth(TcxBorder side) {
  TcxCustomLookAndFeelPainterClass painter = GridViewInfo()->GetLookAndFeelPainter();
  Integer w = painter->FooterFrameSides().Contains(side) ? painter->FooterFrameWidth() : 0;
  if (side == bTop) w += SeparatorWidth();
  return w;
}

Integer TcxGridFooterViewInfo::CalculateItemHeight() {
  EnsureTextAndParams();
  Integer h = 0;
  for (Integer i = 0; i < GetItemViewInfoCount(); ++i) h = std::max(h, GetItemViewInfo(i)->CalculateHeight());
  if (h != 0) return h;
  TcxCustomLookAndFeelPainterClass painter = GridViewInfo()->GetLookAndFeelPainter();
  TcxCanvas* canvas = GetCanvas();
  return TcxGridColumnHeaderViewInfo::HeightForText(canvas->MeasureFontHeight(Params.Font), painter->FooterCellFrameWidth()) +
         2 * painter->FooterCellSpacing();
}

Integer TcxGridFooterViewInfo::GetLineCount() {
  TcxGridHeaderViewInfo* header = TableViewInfo()->HeaderViewInfo();
  return header ? header->GetLineCount() : 1;
}

Integer TcxGridFooterViewInfo::CalculateHeight() {
  if (!IsPartVisible()) return 0;
  return GetBorderWidth(bTop) + GetItemHeight() * GetLineCount() + GetBorderWidth(bBottom);
}

void TcxGridFooterViewInfo::GetViewParams(TcxStyleParams& params) {
  TableView()->GetStyles()->GetFooterParams(nullptr, nullptr, -1, params);
}

TBitmap* TcxGridFooterViewInfo::GetBackgroundBitmap() {
  return ViewBitmap(TableView(), TcxGridTableBackgroundBitmaps::bbFooter);
}

TcxCustomGridCellPainterClass TcxGridFooterViewInfo::GetPainterClass() { return TableViewInfo()->GetFooterPainterClass(); }

void TcxGridFooterViewInfo::CalculateCell(Integer index) {
  TcxGridHeaderViewInfo* header = TableViewInfo()->HeaderViewInfo();
  TcxGridColumnHeaderViewInfo* headerCell = header->GetItemViewInfo(index);
  TcxGridColumnHeaderViewInfo* cell = GetItemViewInfo(index);
  const TRect area = GetItemsAreaBounds();
  const bool leftmost = cell->Column()->IsLeftmostInView();
  const Integer left = leftmost ? area.Left : headerCell->Bounds.Left + headerCell->Overlap();
  Integer width = headerCell->GetDisplayWidth();
  if (leftmost) width -= EffectiveBorderWidth(bLeft) + GetIndent();
  if (cell->Column()->IsRightmostInView()) width -= EffectiveBorderWidth(bRight);
  // A cell takes its column's lines at its band row's line offset, as the data cells do.
  const Integer linesHeight = GetItemHeight() * GetLineCount();
  TcxGridTableViewInfo* info = TableViewInfo();
  cell->ResetCalculated();
  cell->CalculateAt(left, area.Top + info->GetCellTopOffset(index, linesHeight), std::max<Integer>(width, 0),
                    info->GetCellHeight(index, linesHeight));
  // The cell keeps the look-and-feel's spacing on every side.
  const Integer spacing = GridViewInfo()->GetLookAndFeelPainter()->FooterCellSpacing();
  if (spacing != 0) {
    cell->Bounds = GrowRect(cell->Bounds, -spacing, -spacing);
    cell->AfterCalculateBounds();
  }
  cell->Visible = true;
}

void TcxGridFooterViewInfo::CalculateItems() {
  TcxGridHeaderViewInfo* header = TableViewInfo()->HeaderViewInfo();
  if (!header) return;
  for (Integer i = 0; i < GetItemViewInfoCount() && i < header->GetItemViewInfoCount(); ++i) {
    TcxGridColumnHeaderViewInfo* headerCell = header->GetItemViewInfo(i);
    if (headerCell->CheckVisibility(headerCell->Bounds.Left, headerCell->Bounds.Width()))
      CalculateCell(i);
    else if (TcxGridColumnHeaderViewInfo* cell = ExistingItemViewInfo(i))
      cell->ResetCalculated();
  }
}

void TcxGridFooterViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxGridColumnContainerViewInfo::OffsetBounds(dx, dy);
  if (dx == 0) return;
  TcxGridHeaderViewInfo* header = TableViewInfo()->HeaderViewInfo();
  for (Integer i = 0; i < GetItemViewInfoCount() && i < header->GetItemViewInfoCount(); ++i) {
    TcxGridColumnHeaderViewInfo* headerCell = header->GetItemViewInfo(i);
    TcxGridColumnHeaderViewInfo* cell = ExistingItemViewInfo(i);
    const bool shown = headerCell->CheckVisibility(headerCell->Bounds.Left, headerCell->Bounds.Width());
    if (!shown) {
      if (cell) cell->ResetCalculated();
    } else if (!cell || !cell->Calculated()) {
      CalculateCell(i);
    }
  }
}

Integer TcxGridFooterViewInfo::GetCellNaturalWidth(Integer index) {
  if (index < 0 || index >= GetItemViewInfoCount()) return 0;
  auto* cell = static_cast<TcxGridFooterCellViewInfo*>(GetItemViewInfo(index));
  if (!cell->HasSummary()) return 0;
  Integer w = cell->GetPreferredWidth();
  if (cell->Column()->IsLeftmostInView()) w += EffectiveBorderWidth(bLeft);
  if (cell->Column()->IsRightmostInView()) w += EffectiveBorderWidth(bRight);
  return w;
}

// ---- group footers ---------------------------------------------------------------------------------------

TcxGridRowFooterViewInfo::TcxGridRowFooterViewInfo(TcxGridRowFootersViewInfo* container, Integer index)
    : TcxGridFooterViewInfo(container->RowViewInfo()->GridViewInfo()), container_(container), index_(index) {
  InitItems();
}

TcxCustomGridRowViewInfo* TcxGridRowFooterViewInfo::RowViewInfo() const { return container_->RowViewInfo(); }

Integer TcxGridRowFooterViewInfo::GroupLevel() {
  Integer level = RowViewInfo()->Level() - index_;
  if (TableView()->GetOptionsView()->GroupFooters() == gfVisibleWhenExpanded) --level;
  return level;
}

Integer TcxGridRowFooterViewInfo::GetIndent() {
  return TableViewInfo()->GetVisualLevel(RowViewInfo()->Level() - index_) * TableViewInfo()->LevelIndent();
}

Integer TcxGridRowFooterViewInfo::CalculateWidth() { return TableViewInfo()->GetDataWidth() - GetIndent(); }

void TcxGridRowFooterViewInfo::GetViewParams(TcxStyleParams& params) {
  TableView()->GetStyles()->GetFooterParams(dynamic_cast<TcxCustomGridRow*>(RowViewInfo()->GridRecord()), nullptr,
                                            GroupLevel(), params);
}

void TcxGridRowFooterViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  TcxGridFooterViewInfo::InitHitTest(hitTest);
}

TcxGridColumnHeaderViewInfo* TcxGridRowFooterViewInfo::CreateItemViewInfo(TcxGridColumn* column) {
  return new TcxGridRowFooterCellViewInfo(this, column);
}

Integer TcxGridRowFooterCellViewInfo::GetSummaryItemIndex() {
  auto* footer = static_cast<TcxGridRowFooterViewInfo*>(Footer());
  TcxCustomDataController* dc = TableView()->DataController();
  if (!dc || footer->GroupLevel() < 0) return -1;
  return dc->Summary()->IndexOfGroupFooterItem(footer->GroupLevel(), Column());
}

String TcxGridRowFooterCellViewInfo::GetText() {
  const Integer index = GetSummaryItemIndex();
  if (index == -1) return String();
  auto* footer = static_cast<TcxGridRowFooterViewInfo*>(Footer());
  TcxCustomGridRecord* record = footer->RowViewInfo()->GridRecord();
  return TableView()->DataController()->Summary()->GroupSummaryDisplayText(record->Index(), footer->GroupLevel(),
                                                                          index);
}

void TcxGridRowFooterCellViewInfo::GetViewParams(TcxStyleParams& params) {
  auto* footer = static_cast<TcxGridRowFooterViewInfo*>(Footer());
  Column()->GetStyles()->GetFooterParams(dynamic_cast<TcxCustomGridRow*>(footer->RowViewInfo()->GridRecord()),
                                         footer->GroupLevel(), params);
}

TcxGridRowFootersViewInfo::TcxGridRowFootersViewInfo(TcxCustomGridRowViewInfo* row) : row_(row) {
  for (Integer i = 0; i <= row->Level(); ++i)
    if (row->HasFooter(i)) items_.push_back(new TcxGridRowFooterViewInfo(this, i));
}

TcxGridRowFootersViewInfo::~TcxGridRowFootersViewInfo() {
  for (TcxGridRowFooterViewInfo* item : items_) delete item;
}

TcxGridRowFooterViewInfo* TcxGridRowFootersViewInfo::GetFooterByIndex(Integer index) const {
  for (TcxGridRowFooterViewInfo* item : items_)
    if (item->FooterIndex() == index) return item;
  return nullptr;
}

Integer TcxGridRowFootersViewInfo::GetHeight() {
  if (height_ == -1) {
    height_ = 0;
    for (TcxGridRowFooterViewInfo* item : items_) height_ += item->CalculateHeight();
  }
  return height_;
}

Integer TcxGridRowFootersViewInfo::GetMaxCellWidth(Integer columnIndex) {
  Integer w = 0;
  // The leftmost cell of a group footer starts at the footer's indent.
  for (TcxGridRowFooterViewInfo* item : items_) {
    Integer cell = item->GetCellNaturalWidth(columnIndex);
    if (cell != 0 && item->GetItem(columnIndex)->IsLeftmostInView()) cell += item->GetIndent();
    w = std::max(w, cell);
  }
  return w;
}

void TcxGridRowFootersViewInfo::CalculateAt(Integer left, Integer top) {
  for (TcxGridRowFooterViewInfo* item : items_) {
    const Integer h = item->CalculateHeight();
    item->ResetCalculated();
    item->Visible = true;
    item->CalculateAt(left + item->GetIndent(), top, item->CalculateWidth(), h);
    top += h;
  }
}

TcxCustomGridHitTest* TcxGridRowFootersViewInfo::GetHitTest(const TPoint& p) {
  for (TcxGridRowFooterViewInfo* item : items_)
    if (item->Calculated())
      if (TcxCustomGridHitTest* h = item->GetHitTest(p)) return h;
  return nullptr;
}

void TcxGridRowFootersViewInfo::OffsetBounds(Integer dx, Integer dy) {
  for (TcxGridRowFooterViewInfo* item : items_) item->OffsetBounds(dx, dy);
}

void TcxGridRowFootersViewInfo::ResetCalculated() {
  for (TcxGridRowFooterViewInfo* item : items_) item->ResetCalculated();
}

void TcxGridRowFootersViewInfo::Paint(TcxCanvas* canvas) {
  for (TcxGridRowFooterViewInfo* item : items_)
    if (item->Calculated()) item->Paint(canvas);
}

// ---- indicator items ---------------------------------------------------------------------------------------

TcxCustomGridIndicatorItemViewInfo::TcxCustomGridIndicatorItemViewInfo(TcxGridIndicatorViewInfo* indicator)
    : TcxCustomGridViewCellViewInfo(indicator->GridViewInfo()), indicator_(indicator) {}

TcxCustomGridIndicatorItemViewInfo::~TcxCustomGridIndicatorItemViewInfo() {
  if (indicator_) indicator_->RemoveItem(this);
}

TcxGridTableView* TcxCustomGridIndicatorItemViewInfo::TableView() const {
  return static_cast<TcxGridTableView*>(GridView());
}

Integer TcxCustomGridIndicatorItemViewInfo::CalculateWidth() {
  return TableView()->GetOptionsView()->IndicatorWidth();
}

bool TcxCustomGridIndicatorItemViewInfo::CustomDraw(TcxCanvas* canvas) {
  bool done = false;
  TableView()->DoCustomDrawIndicatorCell(canvas, this, done);
  return done;
}

bool TcxCustomGridIndicatorItemViewInfo::HasCustomDraw() { return TableView()->HasCustomDrawIndicatorCell(); }

void TcxCustomGridIndicatorItemViewInfo::GetViewParams(TcxStyleParams& params) {
  TableView()->GetStyles()->ResolveViewParams(TcxGridTableViewStyles::vsIndicator, nullptr, nullptr, params);
}

void TcxGridIndicatorHeaderItemViewInfo::GetViewParams(TcxStyleParams& params) {
  TableView()->GetStyles()->ResolveViewParams(TcxGridTableViewStyles::vsHeader, nullptr, nullptr, params);
}

TBitmap* TcxGridIndicatorHeaderItemViewInfo::GetBackgroundBitmap() {
  return ViewBitmap(TableView(), TcxGridTableBackgroundBitmaps::bbHeader);
}

bool TcxGridIndicatorHeaderItemViewInfo::IsHotTrackable() { return Indicator() && Indicator()->IsQuickCustomization(); }

bool TcxGridIndicatorHeaderItemViewInfo::HasHint() { return IsHotTrackable(); }

bool TcxGridIndicatorHeaderItemViewInfo::ShowsQuickCustomizationGlyph() {
  return Indicator() && Indicator()->IsQuickCustomization();
}

String TcxGridIndicatorHeaderItemViewInfo::GetHintText() { return LoadReplaceableResString(scxGridQuickCustomizationHint); }

void TcxGridIndicatorHeaderItemViewInfo::GetHintTextRect(const TPoint&, TRect& r) {
  r = ShiftedRect(Bounds, 0, Bounds.Height() + 5);
}

namespace {
TcxCustomGridTableController* TableControllerOf(TcxGridTableView* view) {
  return dynamic_cast<TcxCustomGridTableController*>(view->Controller());
}
}  // namespace

bool TcxGridIndicatorHeaderItemViewInfo::HasPopup() { return IsHotTrackable() && TableControllerOf(TableView()); }

IcxCustomGridPopup* TcxGridIndicatorHeaderItemViewInfo::GetPopup() {
  TcxCustomGridTableController* controller = TableControllerOf(TableView());
  return controller && controller->HasItemsCustomizationPopup() ? controller->ItemsCustomizationPopup() : nullptr;
}

void TcxGridIndicatorHeaderItemViewInfo::ShowPopup() {
  if (TcxCustomGridTableController* controller = TableControllerOf(TableView())) controller->ItemsCustomizationPopup();
  TcxCustomGridIndicatorItemViewInfo::ShowPopup();
}

TcxCustomGridCellPainterClass TcxGridIndicatorHeaderItemViewInfo::GetPainterClass() {
  return TcxGridIndicatorHeaderItemPainter::StaticClass();
}

TcxGridIndicatorRowItemViewInfo::TcxGridIndicatorRowItemViewInfo(TcxGridIndicatorViewInfo* indicator,
                                                                 TcxCustomGridRowViewInfo* row)
    : TcxCustomGridIndicatorItemViewInfo(indicator), row_(row) {}

TcxGridIndicatorRowItemViewInfo::~TcxGridIndicatorRowItemViewInfo() {
  if (row_) row_->IndicatorItemDestroyed();
}

bool TcxGridIndicatorRowItemViewInfo::IsCellVisible() {
  return Visible && row_ && row_->IsCellVisible();
}

TcxIndicatorKind TcxGridIndicatorRowItemViewInfo::IndicatorKind() {
  TcxCustomGridRecord* record = row_ ? row_->GridRecord() : nullptr;
  if (!record) return ikNone;
  if (record->IsNewItemRecord()) return ikInsert;
  TcxCustomDataController* dc = TableView()->DataController();
  if (dc && dc->IsEditing() && dc->GetEditingRecordIndex() == record->RecordIndex() && record->Focused())
    return (dc->GetEditFlags() & dceInserting) != 0 ? ikInsert : ikEdit;
  if (TableView()->GetOptionsSelection()->MultiSelect() && record->Selected())
    return record->Focused() ? ikMultiArrow : ikMultiDot;
  return record->Focused() ? ikArrow : ikNone;
}

TRect TcxGridIndicatorRowItemViewInfo::SizingEdgeBounds() {
  if (!row_ || !row_->CanSize()) return TRect();
  return TRect(Bounds.Left, Bounds.Bottom - 4, Bounds.Right, Bounds.Bottom + 4);
}

TBitmap* TcxGridIndicatorRowItemViewInfo::GetBackgroundBitmap() {
  return ViewBitmap(TableView(), TcxGridTableBackgroundBitmaps::bbIndicator);
}

TcxCustomGridCellPainterClass TcxGridIndicatorRowItemViewInfo::GetPainterClass() {
  return TcxGridIndicatorRowItemPainter::StaticClass();
}

TcxCustomGridHitTest* TcxGridIndicatorRowItemViewInfo::GetHitTest(const TPoint& p) {
  if (!IsCellVisible()) return nullptr;
  if (SizingEdgeBounds().Contains(p)) {
    auto* hitTest = GetPooledHitTest<TcxGridRowSizingEdgeHitTest>(p);
    InitHitTest(hitTest);
    return hitTest;
  }
  return TcxCustomGridIndicatorItemViewInfo::GetHitTest(p);
}

void TcxGridIndicatorRowItemViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  TcxCustomGridIndicatorItemViewInfo::InitHitTest(hitTest);
  if (auto* h = dynamic_cast<TcxGridRecordHitTest*>(hitTest)) h->GridRecord = row_ ? row_->GridRecord() : nullptr;
  if (auto* h = dynamic_cast<TcxGridRowIndicatorHitTest*>(hitTest))
    h->MultiSelect = TableView()->GetOptionsSelection()->MultiSelect();
}

bool TcxGridIndicatorRowItemViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button,
                                                TShiftState shift) {
  if (!row_) return false;
  if (dynamic_cast<TcxGridRowSizingEdgeHitTest*>(hitTest)) {
    // A double click on the edge gives the rows back their automatic height.
    if (button == mbLeft && shift.Contains(ssDouble)) {
      row_->SetRowHeight(0);
      return true;
    }
    return false;
  }
  // A press beside a row acts on the row as a press on its cells would.
  return row_->MouseDown(hitTest, button, shift);
}

TBitmap* TcxGridIndicatorFooterItemViewInfo::GetBackgroundBitmap() {
  return ViewBitmap(TableView(), TcxGridTableBackgroundBitmaps::bbFooter);
}

TcxCustomGridCellPainterClass TcxGridIndicatorFooterItemViewInfo::GetPainterClass() {
  return TcxGridIndicatorFooterItemPainter::StaticClass();
}

// ---- the indicator ----------------------------------------------------------------------------------------

TcxGridIndicatorViewInfo::TcxGridIndicatorViewInfo(TcxCustomGridViewInfo* gridViewInfo)
    : TcxCustomGridViewCellViewInfo(gridViewInfo) {}

TcxGridIndicatorViewInfo::~TcxGridIndicatorViewInfo() {
  std::vector<TcxCustomGridIndicatorItemViewInfo*> items;
  items.swap(items_);
  for (TcxCustomGridIndicatorItemViewInfo* item : items) {
    item->Detach();
    // Row items belong to their rows.
    if (!dynamic_cast<TcxGridIndicatorRowItemViewInfo*>(item)) delete item;
  }
}

TcxGridTableViewInfo* TcxGridIndicatorViewInfo::TableViewInfo() const {
  return static_cast<TcxGridTableViewInfo*>(GridViewInfo());
}

TcxGridTableView* TcxGridIndicatorViewInfo::TableView() const { return static_cast<TcxGridTableView*>(GridView()); }

bool TcxGridIndicatorViewInfo::IsIndicatorVisible() {
  return TableView()->GetOptionsView()->Indicator() || IsQuickCustomization();
}

bool TcxGridIndicatorViewInfo::IsQuickCustomization() {
  return TableView()->GetOptionsCustomize()->ItemsQuickCustomization();
}

Integer TcxGridIndicatorViewInfo::IndicatorWidth() {
  return IsIndicatorVisible() ? TableView()->GetOptionsView()->IndicatorWidth() : 0;
}

void TcxGridIndicatorViewInfo::RemoveItem(TcxCustomGridIndicatorItemViewInfo* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  if (item == headerItem_) headerItem_ = nullptr;
  if (item == footerItem_) footerItem_ = nullptr;
}

TcxCustomGridIndicatorItemViewInfo* TcxGridIndicatorViewInfo::AddItemAt(Integer top, Integer height,
                                                                        TcxCustomGridIndicatorItemViewInfo* item) {
  AddItem(item);
  item->CalculateAt(Bounds.Left, top, IndicatorWidth(), height);
  return item;
}

TcxGridIndicatorRowItemViewInfo* TcxGridIndicatorViewInfo::AddRowItem(TcxCustomGridRowViewInfo* row) {
  auto* item = new TcxGridIndicatorRowItemViewInfo(this, row);
  AddItem(item);
  return item;
}

void TcxGridIndicatorViewInfo::CalculateRowItem(TcxCustomGridRowViewInfo* row,
                                                TcxGridIndicatorRowItemViewInfo* item) {
  item->ResetCalculated();
  item->Visible = true;
  item->CalculateAt(TableViewInfo()->ViewLeft(), row->Bounds.Top, IndicatorWidth(), row->Bounds.Height());
}

TRect TcxGridIndicatorViewInfo::GetRowItemBounds(TcxCustomGridRecord* record) {
  for (TcxCustomGridIndicatorItemViewInfo* item : items_)
    if (auto* rowItem = dynamic_cast<TcxGridIndicatorRowItemViewInfo*>(item))
      if (rowItem->RowViewInfo() && rowItem->RowViewInfo()->GridRecord() == record && rowItem->Calculated())
        return rowItem->Bounds;
  return TRect();
}

Integer TcxGridIndicatorViewInfo::CalculateHeight() {
  TcxGridTableViewInfo* info = TableViewInfo();
  Integer h = info->ClientBounds().Height();
  if (info->HeaderViewInfo()) h += info->HeaderViewInfo()->Height();
  if (info->FooterViewInfo()) h += info->FooterViewInfo()->Height();
  return h;
}

void TcxGridIndicatorViewInfo::CalculateAt(Integer left, Integer top, Integer width, Integer height) {
  TcxCustomGridViewCellViewInfo::CalculateAt(left, top, width, height);
  TcxGridTableViewInfo* info = TableViewInfo();
  delete headerItem_;
  delete footerItem_;
  if (info->HeaderViewInfo() && info->HeaderViewInfo()->Visible) {
    headerItem_ = new TcxGridIndicatorHeaderItemViewInfo(this);
    AddItemAt(Bounds.Top, info->HeaderViewInfo()->Height(), headerItem_);
  }
  if (info->FooterViewInfo() && info->FooterViewInfo()->Visible) {
    footerItem_ = new TcxGridIndicatorFooterItemViewInfo(this);
    const Integer h = info->FooterViewInfo()->Height();
    AddItemAt(Bounds.Bottom - h, h, footerItem_);
  }
}

void TcxGridIndicatorViewInfo::GetViewParams(TcxStyleParams& params) {
  TcxCustomGridViewCellViewInfo::GetViewParams(params);
  params.Color = GridViewInfo()->GetBackgroundColor();
}

TBitmap* TcxGridIndicatorViewInfo::GetBackgroundBitmap() { return ViewBitmap(TableView(), 0); }

TcxCustomGridCellPainterClass TcxGridIndicatorViewInfo::GetPainterClass() {
  return TcxGridIndicatorPainter::StaticClass();
}

TcxCustomGridHitTest* TcxGridIndicatorViewInfo::GetHitTest(const TPoint& p) {
  if (!Visible) return nullptr;
  // Row items first: a row's sizing edge reaches 4 pixels into the next row's item.
  for (TcxCustomGridIndicatorItemViewInfo* item : std::vector<TcxCustomGridIndicatorItemViewInfo*>(items_))
    if (item->Calculated())
      if (auto* rowItem = dynamic_cast<TcxGridIndicatorRowItemViewInfo*>(item))
        if (rowItem->SizingEdgeBounds().Contains(p) && rowItem->IsCellVisible()) return rowItem->GetHitTest(p);
  for (TcxCustomGridIndicatorItemViewInfo* item : std::vector<TcxCustomGridIndicatorItemViewInfo*>(items_))
    if (item->Calculated() && item->IsCellVisible())
      if (TcxCustomGridHitTest* h = item->GetHitTest(p)) return h;
  return TcxCustomGridViewCellViewInfo::GetHitTest(p);
}

void TcxGridIndicatorViewInfo::OffsetRowItems(Integer dy) {
  for (TcxCustomGridIndicatorItemViewInfo* item : items_)
    if (dynamic_cast<TcxGridIndicatorRowItemViewInfo*>(item)) item->OffsetBounds(0, dy);
}

// ---- painters -----------------------------------------------------------------------------------------------

void TcxGridFooterPainter::DrawBorders() {
  auto* footer = static_cast<TcxGridFooterViewInfo*>(ViewInfo());
  TcxCustomLookAndFeelPainterClass painter = footer->GridViewInfo()->GetLookAndFeelPainter();
  TRect r = footer->Bounds;
  if (const Integer separator = footer->SeparatorWidth()) {
    painter->PaintFooterSeparator(Canvas(), TRect(r.Left, r.Top, r.Right, r.Top + separator));
    r.Top += separator;
  }
  painter->PaintFooterFrame(Canvas(), r);
}

void TcxGridFooterCellPainter::Paint() {
  // A column without a summary leaves the footer's background showing.
  if (!static_cast<TcxGridFooterCellViewInfo*>(ViewInfo())->HasSummary()) return;
  TcxCustomGridCellPainter::Paint();
}

void TcxGridFooterCellPainter::DrawContent() {
  auto* cell = static_cast<TcxGridFooterCellViewInfo*>(ViewInfo());
  TcxDrawBackgroundEvent drawBackground;
  if (cell->HasBackgroundBitmap())
    drawBackground = [this](TcxCanvas* c, const TRect& r) { return DrawBackgroundBitmap(c, r); };
  cell->GridViewInfo()->GetLookAndFeelPainter()->PaintFooterCell(
      Canvas(), cell->Bounds, cell->AlignmentHorz, cell->AlignmentVert, cell->MultiLinePainting(), cell->Text,
      cell->Params.Font, cell->Params.TextColor, cell->Params.Color, drawBackground);
}

void TcxGridIndicatorPainter::DrawContent() {
  auto* indicator = static_cast<TcxGridIndicatorViewInfo*>(ViewInfo());
  auto drawItems = [&] {
    for (Integer i = 0; i < indicator->ItemCount(); ++i)
      if (TcxCustomGridIndicatorItemViewInfo* item = indicator->Items(i); item->Calculated()) item->Paint(Canvas());
  };
  const bool itemsFirst = indicator->GridViewInfo()->GetLookAndFeelPainter()->IndicatorItemPassNeeded();
  if (itemsFirst) drawItems();
  TcxCustomGridCellPainter::DrawContent();
  if (!itemsFirst) drawItems();
}

void TcxGridIndicatorHeaderItemPainter::DrawContent() {
  auto* item = static_cast<TcxGridIndicatorHeaderItemViewInfo*>(ViewInfo());
  TcxCustomLookAndFeelPainterClass painter = item->GridViewInfo()->GetLookAndFeelPainter();
  TcxDrawBackgroundEvent drawBackground;
  if (item->HasBackgroundBitmap())
    drawBackground = [this](TcxCanvas* c, const TRect& r) { return DrawBackgroundBitmap(c, r); };
  const bool pressed = item->State() == gcsPressed;
  painter->PaintHeader(Canvas(), item->Bounds, item->Bounds, TcxNeighbors(), cxBordersAll,
                       GridCellStateToButtonState(item->State()), taLeftJustify, vaTop, false, false, String(),
                       item->Params.Font, item->Params.TextColor, item->Params.Color, drawBackground, false);
  if (!item->ShowsQuickCustomizationGlyph()) return;
  // The list glyph: five lines 2 pixels apart, the first, third and fifth with a dot.
  const TRect r = item->Bounds;
  const Integer top = (r.Top + r.Bottom - 9) / 2;
  for (Integer i = 0; i < 5; ++i) {
    const Integer y = top + 2 * i;
    Canvas()->FillRectColor(TRect(r.Left + 5, y, r.Right - 3, y + 1), item->Params.TextColor);
    if (i % 2 == 0) Canvas()->FillRectColor(TRect(r.Left + 3, y, r.Left + 4, y + 1), item->Params.TextColor);
  }
  if (pressed) painter->PaintHeaderBackground(Canvas(), r);
}

void TcxGridIndicatorRowItemPainter::DrawContent() {
  auto* item = static_cast<TcxGridIndicatorRowItemViewInfo*>(ViewInfo());
  TcxDrawBackgroundEvent drawBackground;
  if (item->HasBackgroundBitmap())
    drawBackground = [this](TcxCanvas* c, const TRect& r) { return DrawBackgroundBitmap(c, r); };
  item->GridViewInfo()->GetLookAndFeelPainter()->PaintIndicatorHeader(Canvas(), item->Bounds, item->IndicatorKind(),
                                                                      item->Params.Color, drawBackground);
}

void TcxGridIndicatorFooterItemPainter::DrawContent() {
  auto* item = static_cast<TcxGridIndicatorFooterItemViewInfo*>(ViewInfo());
  TcxGridTableViewInfo* info = static_cast<TcxGridTableViewInfo*>(item->GridViewInfo());
  TcxCustomLookAndFeelPainterClass painter = info->GetLookAndFeelPainter();
  TRect r = item->Bounds;
  const Integer separator = info->FooterViewInfo() ? info->FooterViewInfo()->SeparatorWidth() : 0;
  if (separator) {
    painter->PaintFooterSeparator(Canvas(), TRect(r.Left, r.Top, r.Right, r.Top + separator));
    r.Top += separator;
  }
  TcxStyleParams params;
  info->FooterViewInfo()->GetViewParams(params);
  if (TBitmap* b = item->GetBackgroundBitmap())
    Canvas()->FillBackground(r, b);
  else
    Canvas()->FillRectColor(r, params.Color);
  painter->PaintFooterFrame(Canvas(), r);
}

void RegisterGridTableFooterPainters() {
  RegisterGridCellPainter<TcxGridFooterPainter>();
  RegisterGridCellPainter<TcxGridFooterCellPainter>();
  RegisterGridCellPainter<TcxGridIndicatorPainter>();
  RegisterGridCellPainter<TcxGridIndicatorHeaderItemPainter>();
  RegisterGridCellPainter<TcxGridIndicatorRowItemPainter>();
  RegisterGridCellPainter<TcxGridIndicatorFooterItemPainter>();
}
