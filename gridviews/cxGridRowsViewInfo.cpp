// Layout and painting of the rows: the rows layout with its row heights and visible-rows walk,
// the row base with its level indents and separator, data rows with their cells and cell
// merging, group rows with their group cell and expand button.
#include <algorithm>

#include "data/cxCustomData.h"
#include "data/cxCustomDataInternal.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/dxOffice11.h"
#include "gridviews/cxGridRows.h"

using cxdata_internal::Finally;

KORVAN_IMPLEMENT_CLASS(TcxCustomGridRowViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridRowsViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridRowsPainter)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridRowPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridDataCellViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridDataCellPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridDataRowViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridDataRowPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridGroupCellViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridGroupCellPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridGroupRowViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridGroupRowPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridPreviewHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridPreviewCellViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridNewItemRowViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridNewItemRowPainter)

TClass TcxGridTableViewInfo::GetRecordsViewInfoClass() { return TcxGridRowsViewInfo::StaticClass(); }

TcxGridRecordViewInfoClass TcxGridDataRow::GetViewInfoClass() {
  return GridRecordViewInfoClassOf<TcxGridDataRowViewInfo>();
}

TcxGridRecordViewInfoClass TcxGridGroupRow::GetViewInfoClass() {
  return GridRecordViewInfoClassOf<TcxGridGroupRowViewInfo>();
}

namespace {

TcxCanvas* RowsCanvas(TcxCustomGridViewInfo* info) { return GridTableMeasuringCanvas(info); }

TcxGridTablePainter* CollectingPainter(TcxCustomGridView* view) {
  return dynamic_cast<TcxGridTablePainter*>(view->Painter());
}

}  // namespace

// ---- the row base ------------------------------------------------------------------------------------------

TcxCustomGridRowViewInfo::TcxCustomGridRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo,
                                                   TcxCustomGridRecord* record)
    : TcxCustomGridRecordViewInfo(recordsViewInfo, record) {
  if (TcxGridIndicatorViewInfo* indicator = TableViewInfo()->IndicatorViewInfo())
    indicatorItem_ = indicator->AddRowItem(this);
}

TcxCustomGridRowViewInfo::~TcxCustomGridRowViewInfo() {
  if (indicatorItem_) {
    indicatorItem_->RowDestroyed();
    delete indicatorItem_;
  }
  delete rowFooters_;
}

bool TcxCustomGridRowViewInfo::HasFooter(Integer index) {
  const TcxGridGroupFootersMode mode = GridTableView()->GetOptionsView()->GroupFooters();
  if (mode == gfInvisible || !GridRecord()) return false;
  if (mode == gfAlwaysVisible) --index;
  return index >= 0 && index < Level() && GridRecord()->IsLastOfAncestor(index);
}

Integer TcxCustomGridRowViewInfo::GetFootersHeight() {
  if (!rowFooters_) rowFooters_ = new TcxGridRowFootersViewInfo(this);
  return rowFooters_->GetHeight();
}

void TcxCustomGridRowViewInfo::CalculateAt(Integer left, Integer top, Integer width, Integer height) {
  delete rowFooters_;
  rowFooters_ = new TcxGridRowFootersViewInfo(this);
  TcxCustomGridRecordViewInfo::CalculateAt(left, top, width, height);
  if (indicatorItem_) TableViewInfo()->IndicatorViewInfo()->CalculateRowItem(this, indicatorItem_);
  rowFooters_->CalculateAt(Bounds.Left, Bounds.Bottom - GetBottomPartsHeight());
}

void TcxCustomGridRowViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxCustomGridRecordViewInfo::OffsetBounds(dx, dy);
  if (indicatorItem_ && indicatorItem_->Calculated()) indicatorItem_->OffsetBounds(0, dy);
  if (rowFooters_) rowFooters_->OffsetBounds(dx, dy);
}

void TcxCustomGridRowViewInfo::GetItemAreaBounds(TcxCustomGridTableItem* item, TRect& r) {
  TcxCustomGridRecordViewInfo::GetItemAreaBounds(item, r);
  if (!item && indicatorItem_ && indicatorItem_->Calculated() && indicatorItem_->Bounds.Width() > 0)
    r.Left = indicatorItem_->Bounds.Left;
}

TcxGridTableViewInfo* TcxCustomGridRowViewInfo::TableViewInfo() const {
  return static_cast<TcxGridTableViewInfo*>(GridViewInfo());
}

TcxGridRowsViewInfo* TcxCustomGridRowViewInfo::RowsViewInfo() const {
  return static_cast<TcxGridRowsViewInfo*>(TcxCustomGridRecordViewInfo::RecordsViewInfo());
}

TcxGridTableView* TcxCustomGridRowViewInfo::GridTableView() const { return static_cast<TcxGridTableView*>(GridView()); }

Integer TcxCustomGridRowViewInfo::Level() const { return GridRecord() ? GridRecord()->Level() : 0; }

Integer TcxCustomGridRowViewInfo::VisualLevel() { return TableViewInfo()->GetVisualLevel(Level()); }

Integer TcxCustomGridRowViewInfo::LevelIndentWidth() { return VisualLevel() * TableViewInfo()->LevelIndent(); }

Integer TcxCustomGridRowViewInfo::CalculateWidth() { return RowsViewInfo()->GetRowsWidth(); }

bool TcxCustomGridRowViewInfo::IsCellVisible() {
  return Index() < RowsViewInfo()->CalculatedRowCount() && TcxCustomGridRecordViewInfo::IsCellVisible();
}

Integer TcxCustomGridRowViewInfo::GetSeparatorWidth() { return HasSeparator() ? RowsViewInfo()->GetRowSeparatorWidth() : 0; }

bool TcxCustomGridRowViewInfo::HasClosingGridLine() {
  return RowsViewInfo()->NeedsClosingGridLine() && GetSeparatorWidth() == 0 && GridRecord() &&
         GridRecord()->GetIsLast();
}

Integer TcxCustomGridRowViewInfo::GetBottomPartsHeight() {
  return GetFootersHeight() + GetSeparatorWidth() + (HasClosingGridLine() ? TableViewInfo()->GetGridLineWidth() : 0);
}

void TcxCustomGridRowViewInfo::GetContentAreaBounds(TRect& r) {
  r = Bounds;
  r.Left = GetContentLeft();
  r.Bottom = r.Top + GetRowContentHeight();
}

void TcxCustomGridRowViewInfo::GetFocusRectBounds(TRect& r) {
  r = Bounds;
  r.Left = GetFocusAreaLeft();
  const TcxGridLines lines = GridTableView()->GetOptionsView()->GridLines();
  if (lines != glNone) r.Right -= TableViewInfo()->GetGridLineWidth();
  r.Bottom = r.Top + GetRowContentHeight();
  if (lines == glBoth || lines == glHorizontal) r.Bottom -= TableViewInfo()->GetGridLineWidth();
}

TRect TcxCustomGridRowViewInfo::GetClosingGridLineBounds() {
  TRect r = Bounds;
  r.Top = r.Bottom - TableViewInfo()->GetGridLineWidth();
  return r;
}

TRect TcxCustomGridRowViewInfo::GetSeparatorBounds() {
  TRect r = Bounds;
  r.Left = GetContentLeft();
  // Under the last row of groups the separator reaches left under their indents.
  const Integer closed = GridRecord() ? GridRecord()->GetLastOfAncestorsCount() : 0;
  r.Left -= (VisualLevel() - TableViewInfo()->GetVisualLevel(std::max(Level() - closed, 0))) *
            TableViewInfo()->LevelIndent();
  r.Top = r.Bottom - GetSeparatorWidth();
  return r;
}

TColor TcxCustomGridRowViewInfo::GetSeparatorColor() { return GridTableView()->GetOptionsView()->GetRowSeparatorColor(); }

TRect TcxCustomGridRowViewInfo::GetLevelIndentBounds(Integer level) {
  TRect r = Bounds;
  if (level < 0) {
    r.Right = GetContentLeft();
    return r;
  }
  r.Left += level * TableViewInfo()->LevelIndent();
  r.Right = r.Left + TableViewInfo()->LevelIndent();
  // The indent of a group the row closes ends above that group's footer.
  if (rowFooters_)
    if (TcxGridRowFooterViewInfo* footer = rowFooters_->GetFooterByIndex(Level() - level))
      if (footer->Calculated()) r.Bottom = footer->Bounds.Top;
  return r;
}

void TcxCustomGridRowViewInfo::GetLevelIndentParts(Integer level, TRect& content, TRect& rightLine,
                                                   TRect& bottomLine) {
  const TRect cell = GetLevelIndentBounds(level);
  const Integer line = TableViewInfo()->GetGridLineWidth();
  const TcxGridLines lines = GridTableView()->GetOptionsView()->GridLines();
  content = cell;
  // Above the separator (and the closing line); a footer the cell ends above comes off already.
  const bool footerShown = rowFooters_ && rowFooters_->GetFooterByIndex(Level() - level);
  content.Bottom = cell.Bottom - (footerShown ? 0 : GetBottomPartsHeight() - GetFootersHeight());
  if (lines == glBoth || lines == glHorizontal) content.Right -= line;
  rightLine = TRect(content.Right, cell.Top, cell.Right, content.Bottom);
  bottomLine = TRect();
  const bool lastInGroup = GridRecord() && GridRecord()->IsLastOfAncestor(Level() - level - 1);
  if (lastInGroup) {
    if (lines != glNone && lines != glVertical) {
      content.Bottom -= line;
      rightLine.Bottom = content.Bottom;
      bottomLine = TRect(cell.Left, content.Bottom, cell.Right, content.Bottom + line);
    }
  } else {
    // Inside a group the indent runs on through the separator.
    content.Bottom = cell.Bottom;
    rightLine.Bottom = cell.Bottom;
  }
}

TRect TcxCustomGridRowViewInfo::ExpandButtonSquare(const TRect& r) {
  if (r.IsEmpty()) return TRect();
  const Integer size = GridViewInfo()->GetLookAndFeelPainter()->ExpandButtonExtent();
  const Integer left = r.Left + TableViewInfo()->ExpandButtonOffset();
  const Integer top = (r.Top + r.Bottom - size) / 2;
  return TRect(left, top, left + size, top + size);
}

TcxCustomGridHitTest* TcxCustomGridRowViewInfo::GetHitTest(const TPoint& p) {
  if (!IsVisibleForHitTest() || !Bounds.Contains(p)) return nullptr;
  if (rowFooters_)
    if (TcxCustomGridHitTest* h = rowFooters_->GetHitTest(p)) return h;
  if (p.X < GetContentLeft() && !(HasExpandButton() && ExpandButtonBounds.Contains(p))) {
    auto* hitTest = GetPooledHitTest<TcxGridRowLevelIndentHitTest>(p);
    InitHitTest(hitTest);
    return hitTest;
  }
  return TcxCustomGridRecordViewInfo::GetHitTest(p);
}

TcxCustomGridCellPainterClass TcxCustomGridRowViewInfo::GetPainterClass() {
  return TcxCustomGridRowPainter::StaticClass();
}

// ---- the rows layout -----------------------------------------------------------------------------------------

TcxGridTableViewInfo* TcxGridRowsViewInfo::TableViewInfo() const {
  return static_cast<TcxGridTableViewInfo*>(GridViewInfo());
}

TcxGridTableView* TcxGridRowsViewInfo::TableView() const { return static_cast<TcxGridTableView*>(GridView()); }

Integer TcxGridRowsViewInfo::GetRowsWidth() { return TableViewInfo()->GetDataWidth(); }

bool TcxGridRowsViewInfo::IsDataRowHeightAssigned() {
  return TableView()->GetOptionsView()->DataRowHeight() != 0 && TableViewInfo()->SupportsRowHeightOptions();
}

Integer TcxGridRowsViewInfo::AddHorzGridLineWidth(Integer value) {
  const TcxGridLines lines = TableView()->GetOptionsView()->GridLines();
  return lines == glBoth || lines == glHorizontal ? value + TableViewInfo()->GetGridLineWidth() : value;
}

Integer TcxGridRowsViewInfo::GetRowSeparatorWidth() { return TableView()->GetOptionsView()->RowSeparatorWidth(); }

bool TcxGridRowsViewInfo::NeedsClosingGridLine() {
  return TableView()->GetOptionsView()->GridLines() == glVertical && GetRowSeparatorWidth() == 0;
}

Integer TcxGridRowsViewInfo::GetGroupRowExtraHeight() {
  return TableView()->GetOptionsView()->GroupRowStyle() == grsOffice11 ? 2 : 0;
}

Integer TcxGridRowsViewInfo::CalculateDefaultDataRowHeight() {
  TcxCanvas* canvas = RowsCanvas(GridViewInfo());
  Integer h = 0;
  TcxStyleParams params;
  if (TableView()->GetVisibleColumnCount() > 0) {
    for (Integer i = 0; i < TableView()->GetVisibleColumnCount(); ++i) {
      TableView()->GetVisibleColumn(i)->GetStyles()->GetContentParams(nullptr, params);
      h = std::max(h, canvas->MeasureFontHeight(params.Font) + 4);
    }
  } else {
    TableView()->GetStyles()->GetContentParams(nullptr, nullptr, params);
    h = canvas->MeasureFontHeight(params.Font) + 4;
  }
  return AddHorzGridLineWidth(h);
}

Integer TcxGridRowsViewInfo::CalculateDataRowHeight() {
  if (!IsDataRowHeightAssigned()) return CalculateDefaultDataRowHeight();
  // A height below the computed minimum is raised to it.
  return std::max(TableView()->GetOptionsView()->DataRowHeight(), CalculateDefaultDataRowHeight());
}

Integer TcxGridRowsViewInfo::CalculateGroupRowHeight(bool singleLine, const TcxStyleParams& params) {
  Integer h = std::max(RowsCanvas(GridViewInfo())->MeasureFontHeight(params.Font),
                       GridViewInfo()->GetLookAndFeelPainter()->ExpandButtonExtent()) +
              4;
  if (TableView()->GetOptionsView()->GroupRowStyle() == grsOffice11) {
    if (!singleLine) h *= 2;
    h += GetGroupRowExtraHeight();
  } else {
    h = AddHorzGridLineWidth(h);
  }
  return h;
}

Integer TcxGridRowsViewInfo::CalculateGroupDefaultRowHeight(bool singleLine) {
  TcxStyleParams params;
  TableView()->GetStyles()->GetGroupParams(nullptr, 0, params);
  return CalculateGroupRowHeight(singleLine, params);
}

void TcxGridRowsViewInfo::CalculateConsts() {
  rawDataRowHeight_ = CalculateDataRowHeight();
  dataRowHeight_ = rawDataRowHeight_;
  const Integer fixedGroup = TableView()->GetOptionsView()->GroupRowHeight();
  groupRowHeight_ = fixedGroup != 0 ? std::max(fixedGroup, CalculateGroupDefaultRowHeight(true))
                                    : CalculateGroupDefaultRowHeight(false);
}

bool TcxGridRowsViewInfo::HasVariableRecordHeight() {
  return TcxCustomGridRecordsViewInfo::HasVariableRecordHeight() && TableViewInfo()->SupportsRowHeightOptions() &&
         (!IsDataRowHeightAssigned() || bool(TableView()->OnGetCellHeight));
}

void TcxGridRowsViewInfo::GetDefaultBounds(TRect& r) {
  r = GridViewInfo()->ClientBounds();
  r.Left -= TableViewInfo()->LeftPos();
  r.Right = r.Left + TableViewInfo()->GetDataWidth();
}

Integer TcxGridRowsViewInfo::GetRestHeight(Integer top) {
  return calculating_ ? restHeight_ : ContentBounds.Bottom - top;
}

TcxGridRowsViewInfo::~TcxGridRowsViewInfo() { delete newItemRow_; }

void TcxGridRowsViewInfo::GetContentBounds(TRect& r) {
  r = Bounds;
  if (newItemRow_) r.Top += newItemRow_->GetCachedHeight();
}

TcxCustomGridHitTest* TcxGridRowsViewInfo::GetHitTest(const TPoint& p) {
  if (TcxCustomGridHitTest* h = TcxCustomGridRecordsViewInfo::GetHitTest(p)) return h;
  return newItemRow_ && newItemRow_->Calculated() ? newItemRow_->GetHitTest(p) : nullptr;
}

TcxCustomGridRecordViewInfo* TcxGridRowsViewInfo::GetViewInfoOfRecord(TcxCustomGridRecord* record) {
  if (newItemRow_ && record && record == newItemRow_->GridRecord()) return newItemRow_;
  return TcxCustomGridRecordsViewInfo::GetViewInfoOfRecord(record);
}

void TcxGridRowsViewInfo::CalculateBounds() {
  calculating_ = true;
  Finally done{[this] { calculating_ = false; }};
  CalculateConsts();
  TcxCustomGridRecord* newItemRecord = ViewData() ? ViewData()->NewItemRecord() : nullptr;
  if (!newItemRow_ && TableView()->GetOptionsView()->NewItemRow() && newItemRecord)
    newItemRow_ = new TcxGridNewItemRowViewInfo(this, newItemRecord);
  TcxCustomGridRecordsViewInfo::CalculateBounds();
  if (newItemRow_ && GridViewInfo()->CalculateDown) newItemRow_->CalculateAtPos(ContentBounds.Left, Bounds.Top);
  CalculateVisibleCount();
  if (GridViewInfo()->CalculateDown && FirstRecordIndex() != -1)
    for (Integer i = 0; i < calculatedRowCount_ && i < Count(); ++i) CalculateItem(i);
}

void TcxGridRowsViewInfo::CalculateVisibleCount() {
  VisibleCount = 0;
  calculatedRowCount_ = 0;
  allRowsFullyVisible_ = true;
  if (FirstRecordIndex() == -1) return;
  Integer top = ContentBounds.Top;
  const Integer n = GetAvailableRecordCount();
  for (Integer i = 0; i < n; ++i) {
    ++calculatedRowCount_;
    restHeight_ = ContentBounds.Bottom - top;
    auto* row = static_cast<TcxCustomGridRowViewInfo*>(FetchRecordViewInfo(i));
    if (!row) {
      --calculatedRowCount_;
      break;
    }
    top += row->GetRowHeightForCache();
    if (top > ContentBounds.Bottom) break;
    ++VisibleCount;
    if (top == ContentBounds.Bottom) break;
  }
  if (VisibleCount == 0 && n > 0) {
    VisibleCount = 1;
    allRowsFullyVisible_ = false;
  }
}

Integer TcxGridRowsViewInfo::GetItemTopBound(Integer index) {
  if (index == 0) return ContentBounds.Top;
  TcxCustomGridRecordViewInfo* previous = Items(index - 1);
  return previous->Bounds.Top + previous->GetCachedHeight();
}

Integer TcxGridRowsViewInfo::GetPixelScrollSize(Integer count) {
  Integer sum = 0;
  for (Integer i = 0; i < std::abs(count) && i < Count(); ++i) sum += Items(i)->GetCachedHeight();
  return count > 0 ? -sum : sum;
}

void TcxGridRowsViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxCustomGridRecordsViewInfo::OffsetBounds(dx, dy);
  for (Integer i = 0; i < Count(); ++i) Items(i)->OffsetBounds(dx, dy);
}

void TcxGridRowsViewInfo::AfterCalculate() {
  for (Integer i = 0; i < Count(); ++i) Row(i)->PostCalculate();
  TcxCustomGridRecordsViewInfo::AfterCalculate();
}

void TcxGridRowsViewInfo::RefreshRows() {
  for (Integer i = 0; i < Count(); ++i) {
    Row(i)->Refresh();
    Row(i)->PostCalculate();
  }
}

TClass TcxGridRowsViewInfo::GetPainterClass() { return TcxGridRowsPainter::StaticClass(); }

void TcxGridRowsPainter::Paint() {
  auto* rows = static_cast<TcxGridRowsViewInfo*>(ViewInfo());
  if (TcxCustomGridRowViewInfo* newItemRow = rows->NewItemRowViewInfo())
    if (newItemRow->Calculated()) newItemRow->Paint(Canvas());
  for (Integer i = 0; i < rows->Count() && i < rows->CalculatedRowCount(); ++i)
    if (rows->Items(i)->Calculated()) rows->Items(i)->Paint(Canvas());
}

// ---- the row painter -------------------------------------------------------------------------------------------

void TcxCustomGridRowPainter::Paint() {
  if (!IsVisible()) return;
  PaintRow();
}

void TcxCustomGridRowPainter::PaintRow() {
  TcxCustomGridRowViewInfo* row = Row();
  if (row->RowFooters()) row->RowFooters()->Paint(Canvas());
  for (Integer level = 0; level < row->VisualLevel(); ++level) PaintLevelIndent(level);
  if (row->HasClosingGridLine())
    Canvas()->FillRectColor(row->GetClosingGridLineBounds(), row->TableViewInfo()->GetGridLineColor());
  if (row->GetSeparatorWidth() > 0) PaintSeparator();
  TcxCustomGridRecordPainter::Paint();
}

void TcxCustomGridRowPainter::PaintLevelIndent(Integer level) {
  TcxCustomGridRowViewInfo* row = Row();
  TRect content, rightLine, bottomLine;
  row->GetLevelIndentParts(level, content, rightLine, bottomLine);
  TBitmap* bitmap = row->GridTableView()->GetBackgroundBitmaps()->GetBitmap(TcxGridTableBackgroundBitmaps::bbGroup);
  if (bitmap && !bitmap->Empty())
    Canvas()->FillBackground(content, bitmap);
  else
    Canvas()->FillRectColor(content, row->TableViewInfo()->GetGroupLevelColor(level));
  const TColor lineColor = row->TableViewInfo()->GetGridLineColor();
  if (!rightLine.IsEmpty()) Canvas()->FillRectColor(rightLine, lineColor);
  if (!bottomLine.IsEmpty()) Canvas()->FillRectColor(bottomLine, lineColor);
}

void TcxCustomGridRowPainter::PaintSeparator() {
  Canvas()->FillRectColor(Row()->GetSeparatorBounds(), Row()->GetSeparatorColor());
}

// ---- data cells -------------------------------------------------------------------------------------------------

TcxGridDataCellViewInfo::TcxGridDataCellViewInfo(TcxGridDataRowViewInfo* row, TcxGridColumn* column)
    : TcxGridTableDataCellViewInfo(row, column) {}

TcxGridDataCellViewInfo::~TcxGridDataCellViewInfo() { ResetMerging(); }

TcxGridDataRowViewInfo* TcxGridDataCellViewInfo::Row() const {
  return static_cast<TcxGridDataRowViewInfo*>(RecordViewInfo());
}

Integer TcxGridDataCellViewInfo::CalculateWidth() { return Row()->GetCellWidth(Column()->VisibleIndex()); }

TColor TcxGridDataCellViewInfo::GetBorderColor(TcxBorder) { return Row()->TableViewInfo()->GetGridLineColor(); }

TcxBorders TcxGridDataCellViewInfo::GetBorders() { return Row()->GetCellBorders(Column()->IsRightmostInView()); }

Integer TcxGridDataCellViewInfo::GetBorderWidth(TcxBorder) { return Row()->TableViewInfo()->GetGridLineWidth(); }

TcxCustomGridCellPainterClass TcxGridDataCellViewInfo::GetPainterClass() {
  return TcxGridDataCellPainter::StaticClass();
}

bool TcxGridDataCellViewInfo::HasPoint(const TPoint& p) {
  if (merging_) return unmergedBounds_.Contains(p);
  return TcxGridTableDataCellViewInfo::HasPoint(p);
}

void TcxGridDataCellViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxGridTableDataCellViewInfo::OffsetBounds(dx, dy);
  unmergedBounds_ = ShiftedRect(unmergedBounds_, dx, dy);
}

void TcxGridDataCellViewInfo::CalculateAt(Integer left, Integer top, Integer width, Integer height) {
  TcxGridTableDataCellViewInfo::CalculateAt(left, top, width, height);
  if (!merging_) {
    unmergedBounds_ = Bounds;
    unmergedHeight_ = Bounds.Height();
  }
}

bool TcxGridDataCellViewInfo::CanBeMerged() { return !Row()->Expanded(); }

bool TcxGridDataCellViewInfo::CanMerge() { return CanBeMerged() && Column()->CanCellMerging(); }

void TcxGridDataCellViewInfo::ResetMerging() {
  merged_ = merging_ = false;
  mergedCells_.clear();
  mergingCell_ = nullptr;
}

void TcxGridDataCellViewInfo::CalculateMerging() {
  if (merged_ || !CanMerge() || GridViewInfo()->IsInternal()) return;
  TcxGridRowsViewInfo* rows = Row()->RowsViewInfo();
  Integer index = Row()->Index();
  TcxCustomEditProperties* properties = Column()->GetProperties();
  for (Integer i = index + 1; i < rows->Count() && i < rows->CalculatedRowCount(); ++i) {
    auto* next = dynamic_cast<TcxGridDataRowViewInfo*>(rows->Items(i));
    if (!next || dynamic_cast<TcxGridGroupRowViewInfo*>(rows->Items(i))) break;
    const Integer visibleIndex = Column()->VisibleIndex();
    if (visibleIndex < 0 || visibleIndex >= next->CellCount()) break;
    TcxGridDataCellViewInfo* other = next->ExistingCell(visibleIndex);
    if (!other) break;
    Variant a = GridRecord()->GetValue(Column()->Index()), b = next->GridRecord()->GetValue(Column()->Index());
    if (!Column()->DoCompareValuesForCellMerging(static_cast<TcxCustomGridRow*>(GridRecord()), properties, a,
                                                 static_cast<TcxCustomGridRow*>(next->GridRecord()), properties, b))
      break;
    merging_ = true;
    mergedCells_.push_back(other);
    other->merged_ = true;
    other->mergingCell_ = this;
    if (next->Expanded()) break;
  }
  if (merging_) {
    // The merging cell reaches down to the bottom of its last merged cell.
    TRect r = Bounds;
    r.Bottom = mergedCells_.back()->Bounds.Bottom;
    TcxGridTableDataCellViewInfo::CalculateAt(r.Left, r.Top, r.Width(), r.Height());
  }
}

void TcxGridDataCellPainter::PaintBorderSide(TcxBorder side) {
  // The table painter draws all cell borders at the end in one call.
  if (TcxGridTablePainter* painter = CollectingPainter(static_cast<TcxGridDataCellViewInfo*>(ViewInfo())->GridView()))
    if (painter->AddGridLine(ViewInfo()->GetSideBorderRect(side))) return;
  TcxGridTableDataCellPainter::PaintBorderSide(side);
}

// ---- data rows -----------------------------------------------------------------------------------------------------

TcxGridDataRowViewInfo::TcxGridDataRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo,
                                               TcxCustomGridRecord* record)
    : TcxCustomGridRowViewInfo(recordsViewInfo, record) {
  TcxGridHeaderViewInfo* header = TableViewInfo()->HeaderViewInfo();
  cells_.assign(size_t(header ? header->GetItemViewInfoCount() : 0), nullptr);
}

TcxGridDataRowViewInfo::~TcxGridDataRowViewInfo() {
  for (TcxGridDataCellViewInfo* cell : cells_) delete cell;
  delete preview_;
}

bool TcxGridDataRowViewInfo::HasPreview() { return GridTableView()->Preview()->Active(); }

Integer TcxGridDataRowViewInfo::PreviewHeight() {
  if (!HasPreview()) return 0;
  if (!preview_) preview_ = new TcxGridPreviewCellViewInfo(this, GridTableView()->Preview()->Column());
  if (previewHeight_ < 0) previewHeight_ = preview_->CalculateHeight();
  return previewHeight_;
}

TcxGridColumnHeaderViewInfo* TcxGridDataRowViewInfo::HeaderCell(Integer index) {
  return TableViewInfo()->HeaderViewInfo()->GetItemViewInfo(index);
}

TcxGridDataCellViewInfo* TcxGridDataRowViewInfo::Cell(Integer i) {
  TcxGridDataCellViewInfo*& cell = cells_.at(size_t(i));
  if (!cell) cell = new TcxGridDataCellViewInfo(this, GridTableView()->GetVisibleColumn(i));
  return cell;
}

bool TcxGridDataRowViewInfo::HasVariableHeight() { return RowsViewInfo()->HasVariableRecordHeight(); }

Integer TcxGridDataRowViewInfo::CalculateHeight() {
  Integer h = RowsViewInfo()->DataRowHeight();
  if (HasVariableHeight()) {
    Integer cellsHeight = 0;
    for (Integer i = 0; i < CellCount(); ++i) cellsHeight = std::max(cellsHeight, Cell(i)->CalculateHeight());
    cellsHeight = RowsViewInfo()->AddHorzGridLineWidth(cellsHeight);
    h = GridTableView()->OnGetCellHeight ? cellsHeight : std::max(cellsHeight, h);
  }
  return h + PreviewHeight() + GetBottomPartsHeight();
}

Integer TcxGridDataRowViewInfo::GetCellLeft(Integer index) { return HeaderCell(index)->GetRealLeft(); }

Integer TcxGridDataRowViewInfo::GetCellWidth(Integer index) { return HeaderCell(index)->RealWidth(); }

bool TcxGridDataRowViewInfo::IsColumnVisible(Integer index) { return HeaderCell(index)->Visible; }

void TcxGridDataRowViewInfo::CalculateCell(Integer index) {
  TcxGridDataCellViewInfo* cell = Cell(index);
  cell->ResetCalculated();
  TcxGridTableViewInfo* info = TableViewInfo();
  cell->CalculateAt(GetCellLeft(index), cellsAreaBounds_.Top + info->GetCellTopOffset(index, cellHeight_),
                    GetCellWidth(index), info->GetCellHeight(index, cellHeight_));
}

void TcxGridDataRowViewInfo::CalculateAt(Integer left, Integer top, Integer width, Integer height) {
  TcxCustomGridRowViewInfo::CalculateAt(left, top, width, height);
  cellsAreaBounds_ = TRect(GetFocusAreaLeft(), Bounds.Top, GetFocusAreaLeft() + GetFocusAreaWidth(),
                           Bounds.Top + GetRowContentHeight());
  const Integer previewHeight = PreviewHeight();
  if (preview_) {
    const bool atTop = GridTableView()->Preview()->Place() == ppTop;
    if (atTop)
      cellsAreaBounds_.Top += previewHeight;
    else
      cellsAreaBounds_.Bottom -= previewHeight;
    preview_->ResetCalculated();
    preview_->CalculateAt(cellsAreaBounds_.Left, atTop ? Bounds.Top : cellsAreaBounds_.Bottom, GetFocusAreaWidth(),
                          previewHeight);
  }
  cellHeight_ = HasVariableHeight() ? cellsAreaBounds_.Height() : RowsViewInfo()->RawDataRowHeight();
  for (Integer i = 0; i < CellCount(); ++i) {
    if (IsColumnVisible(i)) {
      CalculateCell(i);
    } else if (cells_[size_t(i)]) {
      delete cells_[size_t(i)];
      cells_[size_t(i)] = nullptr;
    }
  }
}

void TcxGridDataRowViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxCustomGridRowViewInfo::OffsetBounds(dx, dy);
  cellsAreaBounds_ = ShiftedRect(cellsAreaBounds_, dx, dy);
  if (preview_ && preview_->Calculated()) preview_->OffsetBounds(dx, dy);
  for (Integer i = 0; i < CellCount(); ++i) {
    TcxGridDataCellViewInfo*& cell = cells_[size_t(i)];
    if (cell && cell->Calculated()) cell->OffsetBounds(dx, dy);
    if (dx == 0) continue;
    // Columns that leave the view lose their cells; those that enter get them.
    if (!IsColumnVisible(i)) {
      delete cell;
      cell = nullptr;
    } else if (!cell || !cell->Calculated()) {
      CalculateCell(i);
    }
  }
}

TRect TcxGridDataRowViewInfo::GetVisibleBounds() {
  TRect r = Bounds;
  for (TcxGridDataCellViewInfo* cell : cells_)
    if (cell && cell->Merging()) r.Bottom = std::max(r.Bottom, cell->Bounds.Bottom);
  return r;
}

TcxCustomGridHitTest* TcxGridDataRowViewInfo::GetHitTest(const TPoint& p) {
  if (!IsVisibleForHitTest() || !Bounds.Contains(p)) return nullptr;
  if (p.X >= GetContentLeft()) {
    for (TcxGridDataCellViewInfo* cell : cells_)
      if (cell && cell->Calculated())
        if (TcxCustomGridHitTest* h = cell->GetHitTest(p)) return h;
    if (preview_ && preview_->Calculated() && preview_->Bounds.Height() > 0)
      if (TcxCustomGridHitTest* h = preview_->GetHitTest(p)) return h;
  }
  return TcxCustomGridRowViewInfo::GetHitTest(p);
}

bool TcxGridDataRowViewInfo::CanSize() {
  return GridTableView()->GetOptionsCustomize()->DataRowSizing() && TableViewInfo()->SupportsRowHeightOptions();
}

void TcxGridDataRowViewInfo::SetRowHeight(Integer height) {
  // The data row height option holds the cells' height: the row's other parts come off.
  const Integer value = height - GetNonDataHeight() - PreviewHeight();
  if (height != Bounds.Height()) GridTableView()->GetOptionsView()->SetDataRowHeight(value);
}

Integer TcxGridDataRowViewInfo::CheckRowHeight(Integer height) {
  const Integer other = GetNonDataHeight() + PreviewHeight();
  const auto& minimum = GridTableView()->GetOptionsView()->MinDataRowHeight;
  const Integer content = std::max<Integer>({height - other, 1, minimum ? minimum() : 1});
  return content + other;
}

TcxGridTableDataCellViewInfo* TcxGridDataRowViewInfo::GetCellViewInfoByItem(TcxCustomGridTableItem* item) {
  if (!item) return nullptr;
  if (preview_ && item == preview_->Item()) return preview_;
  const Integer i = item->VisibleIndex();
  return i >= 0 && i < CellCount() ? cells_[size_t(i)] : nullptr;
}

void TcxGridDataRowViewInfo::GetItemCellBounds(TcxCustomGridTableItem* item, TRect& r) {
  TcxGridTableDataCellViewInfo* cell = GetCellViewInfoByItem(item);
  r = cell ? cell->Bounds : TRect();
}

void TcxGridDataRowViewInfo::PostCalculate() {
  for (TcxGridDataCellViewInfo* cell : cells_)
    if (cell && cell->Calculated()) cell->CalculateMerging();
}

void TcxGridDataRowViewInfo::Refresh() {
  for (TcxGridDataCellViewInfo* cell : cells_)
    if (cell) cell->ResetMerging();
}

TcxCustomGridCellPainterClass TcxGridDataRowViewInfo::GetPainterClass() {
  return TcxGridDataRowPainter::StaticClass();
}

void TcxGridDataRowPainter::DrawCells() {
  auto* row = static_cast<TcxGridDataRowViewInfo*>(Row());
  TcxCanvas* canvas = Canvas();
  TcxRegion* saved = canvas->CopyClipRegion();
  Finally restore{[&] { canvas->ApplyClipRegion(saved, roSet, true); }};
  if (row->CellCount() == 0) {
    // Without visible columns the row shows its empty cells area in its content params.
    TcxStyleParams params;
    row->GridTableView()->GetStyles()->GetContentParams(row->GridRecord(), nullptr, params);
    canvas->FillRectColor(row->CellsAreaBounds(), params.Color);
    return;
  }
  TcxGridTableViewInfo* info = row->TableViewInfo();
  for (Integer i = 0; i < row->CellCount(); ++i) {
    TcxGridDataCellViewInfo* cell = row->ExistingCell(i);
    if (!cell || !cell->Calculated()) continue;
    const TRect clip = info->GetCellClipArea(i);
    if (clip.IsEmpty()) {
      cell->Paint(canvas);
      continue;
    }
    TcxRegion* before = canvas->CopyClipRegion();
    canvas->IntersectClip(clip);
    cell->Paint(canvas);
    canvas->ApplyClipRegion(before, roSet, true);
  }
  if (TcxGridPreviewCellViewInfo* preview = row->PreviewViewInfo())
    if (preview->Calculated() && preview->Bounds.Height() > 0) preview->Paint(canvas);
}

// ---- preview ---------------------------------------------------------------------------------------------------

Integer TcxGridPreviewCellViewInfo::CalculateWidth() { return Row()->GetFocusAreaWidth(); }

Integer TcxGridPreviewCellViewInfo::CalculateHeight() {
  TcxGridPreview* preview = Row()->GridTableView()->Preview();
  EnsureTextAndParams();
  TcxCanvas* canvas = RowsCanvas(GridViewInfo());
  const Integer line = canvas->MeasureFontHeight(Params.Font);
  Integer h;
  if (preview->AutoHeight()) {
    TRect r(0, 0, std::max<Integer>(CalculateWidth() - preview->LeftIndent() - preview->RightIndent(), 1), 0);
    if (Params.Font) canvas->ApplyFont(Params.Font);
    canvas->MeasureTextRect(GetText(), r, ctfLeft | ctfTop | ctfWordBreak);
    h = std::max(r.Height(), line);
    if (preview->MaxLineCount() > 0) h = std::min(h, preview->MaxLineCount() * line);
    h += 4;
  } else {
    h = preview->MaxLineCount() > 0 ? preview->MaxLineCount() * line + 4 : 0;
  }
  return h != 0 ? Row()->RowsViewInfo()->AddHorzGridLineWidth(h) : 0;
}

TBitmap* TcxGridPreviewCellViewInfo::GetBackgroundBitmap() {
  TBitmap* b = Row()->GridTableView()->GetBackgroundBitmaps()->GetBitmap(TcxGridTableBackgroundBitmaps::bbPreview);
  return b && !b->Empty() ? b : nullptr;
}

TcxBorders TcxGridPreviewCellViewInfo::GetBorders() { return Row()->GetCellBorders(true); }

TRect TcxGridPreviewCellViewInfo::GetTextAreaBounds() {
  TRect r = GrowRect(TcxGridDataCellViewInfo::GetTextAreaBounds(), 2, 0);
  r.Left += Row()->GridTableView()->Preview()->LeftIndent();
  r.Right -= Row()->GridTableView()->Preview()->RightIndent();
  return r;
}

bool TcxGridPreviewCellViewInfo::IsAutoHeight() { return Row()->GridTableView()->Preview()->AutoHeight(); }

void TcxGridPreviewCellViewInfo::GetEditorContentMargins(TRect& margins) {
  TcxGridPreview* preview = Row()->GridTableView()->Preview();
  margins = TRect(preview->LeftIndent() - 1, 1, preview->RightIndent() - 1, 1);
}

Integer TcxGridPreviewCellViewInfo::GetMaxLineCount() { return Row()->GridTableView()->Preview()->MaxLineCount(); }

// ---- the new item row ---------------------------------------------------------------------------------------------

bool TcxGridNewItemRowViewInfo::ShowsInfoText() { return !(GridRecord() && GridRecord()->Focused()); }

String TcxGridNewItemRowViewInfo::GetText() {
  return ShowsInfoText() ? GridTableView()->GetOptionsView()->NewItemRowInfoText() : String();
}

TRect TcxGridNewItemRowViewInfo::GetTextAreaBounds() {
  // Centred in the part of the row that is scrolled into view.
  TRect r;
  GetContentAreaBounds(r);
  const TRect visible = TableViewInfo()->HorzScrollArea();
  r.Left = visible.Left;
  r.Right = std::min(r.Right, visible.Right);
  return r;
}

void TcxGridNewItemRowViewInfo::GetViewParams(TcxStyleParams& params) {
  TcxGridCellPos pos(GridRecord(), nullptr);
  GridTableView()->GetStyles()->ResolveViewParams(TcxGridTableViewStyles::vsNewItemRowInfoText, GridRecord(), nullptr,
                                                  params);
}

Integer TcxGridNewItemRowViewInfo::GetBottomPartsHeight() {
  return TcxGridDataRowViewInfo::GetBottomPartsHeight() + GridTableView()->GetOptionsView()->NewItemRowSeparatorWidth();
}

Integer TcxGridNewItemRowViewInfo::CalculateHeight() {
  if (height_ == 0) height_ = RowsViewInfo()->DataRowHeight() + GetBottomPartsHeight();
  return height_;
}

Integer TcxGridNewItemRowViewInfo::GetCellLeft(Integer index) {
  TcxGridColumnHeaderViewInfo* header = HeaderCell(index);
  return header->Bounds.Left + header->Overlap();
}

Integer TcxGridNewItemRowViewInfo::GetCellWidth(Integer index) { return HeaderCell(index)->GetDisplayWidth(); }

TRect TcxGridNewItemRowViewInfo::GetNewItemSeparatorBounds() {
  TRect r = Bounds;
  r.Top = r.Bottom - GridTableView()->GetOptionsView()->NewItemRowSeparatorWidth();
  return r;
}

TcxCustomGridCellPainterClass TcxGridNewItemRowViewInfo::GetPainterClass() {
  return TcxGridNewItemRowPainter::StaticClass();
}

void TcxGridNewItemRowPainter::DrawCells() {
  if (!static_cast<TcxGridNewItemRowViewInfo*>(Row())->ShowsInfoText()) TcxGridDataRowPainter::DrawCells();
}

void TcxGridNewItemRowPainter::PaintRow() {
  auto* row = static_cast<TcxGridNewItemRowViewInfo*>(Row());
  if (row->ShowsInfoText()) {
    TRect content;
    row->GetContentAreaBounds(content);
    Canvas()->FillRectColor(content, row->Params.Color);
  }
  TcxGridDataRowPainter::PaintRow();
  if (row->ShowsInfoText()) DrawText();
  TcxGridTableView* view = row->GridTableView();
  const TRect separator = row->GetNewItemSeparatorBounds();
  if (!separator.IsEmpty())
    row->GridViewInfo()->GetLookAndFeelPainter()->PaintHeader(
        Canvas(), separator, separator, TcxNeighbors(), cxBordersAll, cxbsNormal, taLeftJustify, vaTop, false, false,
        String(), nullptr, clBtnText, view->GetOptionsView()->GetNewItemRowSeparatorColor());
}

// ---- group rows -----------------------------------------------------------------------------------------------------

TcxGridGroupCellViewInfo::TcxGridGroupCellViewInfo(TcxGridGroupRowViewInfo* row) : TcxGridTableCellViewInfo(row) {}

TcxGridGroupRowViewInfo* TcxGridGroupCellViewInfo::Row() const {
  return static_cast<TcxGridGroupRowViewInfo*>(RecordViewInfo());
}

String TcxGridGroupCellViewInfo::GetText() {
  TcxGridGroupRow* row = Row()->GroupRow();
  String text = row->GetGroupText();
  if (TcxGridColumn* column = row->GetGroupedColumn()) column->DoGetDisplayText(row, text);
  return text;
}

TRect TcxGridGroupCellViewInfo::GetTextAreaBounds() {
  TRect r = TcxGridTableCellViewInfo::GetTextAreaBounds();
  if (Row()->GroupRow()->GetExpandable()) r.Left += Row()->TableViewInfo()->LevelIndent();
  return r;
}

TcxAlignmentVert TcxGridGroupCellViewInfo::GetAlignmentVert() { return Row()->IsOffice11() ? vaBottom : vaCenter; }

void TcxGridGroupCellViewInfo::GetViewParams(TcxStyleParams& params) {
  if (Selected()) {
    TcxGridCellPos pos(GridRecord(), nullptr);
    TableView()->TableStyles()->ResolveViewParams(TableView()->IsSelectionActive(GridRecord())
                                                      ? TcxCustomGridTableViewStyles::vsSelection
                                                      : TcxCustomGridTableViewStyles::vsInactive,
                                                  &pos, nullptr, params);
  } else {
    Row()->GridTableView()->GetStyles()->GetGroupParams(GridRecord(), -1, params);
  }
}

TcxBorders TcxGridGroupCellViewInfo::GetBorders() {
  TcxBorders borders = Row()->TableViewInfo()->GetCellBorders(true);
  if (Row()->IsOffice11()) borders.Include(bBottom);
  return borders;
}

Integer TcxGridGroupCellViewInfo::GetBorderWidth(TcxBorder side) {
  if (side == bBottom && Row()->IsOffice11()) return Row()->RowsViewInfo()->GetGroupRowExtraHeight();
  return Row()->TableViewInfo()->GetGridLineWidth();
}

TColor TcxGridGroupCellViewInfo::GetBorderColor(TcxBorder side) {
  if (side == bBottom && Row()->IsOffice11()) return Office11GroupLineColor;
  return Row()->TableViewInfo()->GetGridLineColor();
}

TRect TcxGridGroupCellViewInfo::GetSideBorderRect(TcxBorder side) {
  TRect r = TcxGridTableCellViewInfo::GetSideBorderRect(side);
  // Under an expanded standard group the line starts right of the expand button's indent.
  if (side == bBottom && !Row()->IsOffice11() && Row()->Expanded()) r.Left = Bounds.Left + Row()->TableViewInfo()->LevelIndent();
  return r;
}

TBitmap* TcxGridGroupCellViewInfo::GetBackgroundBitmap() {
  TBitmap* b = Row()->GridTableView()->GetBackgroundBitmaps()->GetBitmap(TcxGridTableBackgroundBitmaps::bbGroup);
  return b && !b->Empty() ? b : nullptr;
}

bool TcxGridGroupCellViewInfo::HasCustomDraw() { return Row()->GridTableView()->HasCustomDrawGroupCell(); }

bool TcxGridGroupCellViewInfo::CustomDraw(TcxCanvas* canvas) {
  bool done = false;
  Row()->GridTableView()->DoCustomDrawGroupCell(canvas, this, done);
  return done;
}

TcxCustomGridCellPainterClass TcxGridGroupCellViewInfo::GetPainterClass() {
  return TcxGridGroupCellPainter::StaticClass();
}

void TcxGridGroupCellPainter::DrawBorders() {
  TcxCustomGridCellPainter::DrawBorders();
  auto* cell = static_cast<TcxGridGroupCellViewInfo*>(ViewInfo());
  TcxGridGroupRowViewInfo* row = cell->Row();
  if (!cell->Borders.Contains(bBottom) || row->IsOffice11() || !row->Expanded()) return;
  // The part of the bottom line under the expand button takes the group's colour.
  TRect r = cell->TcxCustomGridCellViewInfo::GetSideBorderRect(bBottom);
  r.Right = cell->Bounds.Left + row->TableViewInfo()->LevelIndent();
  if (cell->HasBackgroundBitmap())
    DrawBackgroundBitmap(Canvas(), r);
  else
    Canvas()->FillRectColor(r, row->TableViewInfo()->GetGroupLevelColor(row->Level()));
}

TcxGridGroupRowViewInfo::TcxGridGroupRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo,
                                                 TcxCustomGridRecord* record)
    : TcxCustomGridRowViewInfo(recordsViewInfo, record), cell_(new TcxGridGroupCellViewInfo(this)) {}

TcxGridGroupRowViewInfo::~TcxGridGroupRowViewInfo() { delete cell_; }

bool TcxGridGroupRowViewInfo::IsOffice11() const {
  return GridTableView()->GetOptionsView()->GroupRowStyle() == grsOffice11;
}

Integer TcxGridGroupRowViewInfo::CalculateHeight() {
  Integer h = RowsViewInfo()->GroupRowHeight();
  if (RowsViewInfo()->TcxCustomGridRecordsViewInfo::HasVariableRecordHeight() && GridTableView()->GetOptionsView()->GroupRowHeight() == 0) {
    cell_->EnsureTextAndParams();
    h = RowsViewInfo()->CalculateGroupRowHeight(false, cell_->Params);
  }
  return h + GetBottomPartsHeight();
}

void TcxGridGroupRowViewInfo::CalculateAt(Integer left, Integer top, Integer width, Integer height) {
  TcxCustomGridRowViewInfo::CalculateAt(left, top, width, height);
  cell_->ResetCalculated();
  cell_->CalculateAt(Bounds.Left + LevelIndentWidth(), Bounds.Top, Bounds.Width() - LevelIndentWidth(),
                     GetRowContentHeight());
}

void TcxGridGroupRowViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxCustomGridRowViewInfo::OffsetBounds(dx, dy);
  cell_->OffsetBounds(dx, dy);
  ExpandButtonBounds = ShiftedRect(ExpandButtonBounds, dx, dy);
}

void TcxGridGroupRowViewInfo::GetExpandButtonAreaBounds(TRect& r) {
  r = cell_->ContentBounds();
  r.Right = std::min(r.Right, r.Left + TableViewInfo()->LevelIndent());
}

void TcxGridGroupRowViewInfo::CalculateExpandButtonBounds(TRect& r) {
  TRect area = cell_->ContentBounds();
  if (IsOffice11()) {
    // Beside the bottom-aligned text: its line is the text height + 4 above the content bottom.
    TcxCanvas* canvas = RowsCanvas(GridViewInfo());
    area.Top = area.Bottom - (canvas->MeasureFontHeight(cell_->Params.Font) + 4);
  }
  r = ExpandButtonSquare(area);
}

void TcxGridGroupRowViewInfo::GetFocusRectBounds(TRect& r) {
  TcxCustomGridRowViewInfo::GetFocusRectBounds(r);
  r.Bottom = cell_->ContentBounds().Bottom;
}

TRect TcxGridGroupRowViewInfo::GetSeparatorBounds() {
  TRect r = TcxCustomGridRowViewInfo::GetSeparatorBounds();
  if (Expanded()) r.Left += TableViewInfo()->LevelIndent();
  return r;
}

bool TcxGridGroupRowViewInfo::HasFooter(Integer index) {
  if (index == 0 && GridTableView()->GetOptionsView()->GroupFooters() == gfAlwaysVisible && !Expanded()) return true;
  return TcxCustomGridRowViewInfo::HasFooter(index);
}

bool TcxGridGroupRowViewInfo::CanSize() { return GridTableView()->GetOptionsCustomize()->GroupRowSizing(); }

void TcxGridGroupRowViewInfo::SetRowHeight(Integer height) {
  const Integer value = height - GetNonDataHeight();
  if (height != Bounds.Height()) GridTableView()->GetOptionsView()->SetGroupRowHeight(value);
}

Integer TcxGridGroupRowViewInfo::CheckRowHeight(Integer height) {
  const Integer other = GetNonDataHeight();
  const auto& minimum = GridTableView()->GetOptionsView()->MinGroupRowHeight;
  const Integer content = std::max<Integer>({height - other, 1, minimum ? minimum() : 1});
  return content + other;
}

TcxCustomGridHitTest* TcxGridGroupRowViewInfo::GetHitTest(const TPoint& p) {
  return TcxCustomGridRowViewInfo::GetHitTest(p);
}

TcxCustomGridCellPainterClass TcxGridGroupRowViewInfo::GetPainterClass() {
  return TcxGridGroupRowPainter::StaticClass();
}

void TcxGridGroupRowPainter::DrawCells() {
  static_cast<TcxGridGroupRowViewInfo*>(Row())->GroupCell()->Paint(Canvas());
}

void TcxGridGroupRowPainter::PaintSeparator() {
  auto* row = static_cast<TcxGridGroupRowViewInfo*>(Row());
  // Left of the separator of an expanded group: the indent of the group's own level.
  if (row->Expanded()) {
    TRect left = row->TcxCustomGridRowViewInfo::GetSeparatorBounds();
    left.Right = left.Left + row->TableViewInfo()->LevelIndent();
    if (!left.IsEmpty()) Canvas()->FillRectColor(left, row->TableViewInfo()->GetGroupLevelColor(row->Level()));
  }
  TcxCustomGridRowPainter::PaintSeparator();
}

void RegisterGridRowPainters() {
  RegisterGridCellPainter<TcxCustomGridRowPainter>();
  RegisterGridCellPainter<TcxGridDataRowPainter>();
  RegisterGridCellPainter<TcxGridGroupRowPainter>();
  RegisterGridCellPainter<TcxGridDataCellPainter>();
  RegisterGridCellPainter<TcxGridGroupCellPainter>();
  RegisterGridCellPainter<TcxGridNewItemRowPainter>();
  RegisterGridCellPainter<TcxGridMasterDataRowPainter>();
  RegisterGridCellPainter<TcxGridExpandButtonCellPainter>();
  RegisterGridRecordsPainterFactory(TcxGridRowsPainter::StaticClass(), [](TcxCanvas* c, TcxCustomGridRecordsViewInfo* v) {
    return new TcxGridRowsPainter(c, v);
  });
}
