// The table controller (unit cxGridTableView): the horizontal position, the pressed column and
// header-click sorting, keys, column cell multi-selection and the scroll bars.
#include <algorithm>

#include "data/cxCustomData.h"
#include "data/cxCustomDataInternal.h"
#include "gridviews/cxGridTableView.h"
#include "gridviews/cxGridRows.h"
#include "gridviews/cxGridTableViewInfo.h"

using cxdata_internal::Finally;

namespace {

constexpr Integer kHorzScrollStep = 10;
constexpr Integer kDragScrollEdge = 15;
// The platform's drag-detect distance.
constexpr Integer kDragDetect = 4;

// Left (1) near the left end of the area that scrolls sideways, right (2) near its right end.
Integer HorzDragScrollDirection(TcxGridTableViewInfo* info, const TPoint& p) {
  const TRect horz = info->HorzScrollArea();
  if (!horz.Contains(p)) return 0;
  if (p.X < horz.Left + kDragScrollEdge) return 1;
  if (p.X >= horz.Right - kDragScrollEdge) return 2;
  return 0;
}

}  // namespace

TcxGridTableView* TcxGridTableController::TableGridView() const { return static_cast<TcxGridTableView*>(GridView()); }

TcxGridTableViewInfo* TcxGridTableController::TableViewInfoOfView() const { return TableGridView()->GetViewInfo(); }

// ---- horizontal position ------------------------------------------------------------------------------

void TcxGridTableController::SetLeftPos(Integer value) {
  TcxGridTableView* view = TableGridView();
  TcxGridTableViewInfo* info = TableViewInfoOfView();
  const Integer maxPos = info ? std::max<Integer>(info->GetDataWidth() - info->ClientWidth(), 0) : 0;
  value = std::max<Integer>(std::min(value, maxPos), 0);
  if (value == leftPos_) return;
  const Integer old = leftPos_;
  leftPos_ = value;
  if (info && !info->Calculating() && view->CanOffsetHorz() && info->RecordsViewInfo()) {
    info->OffsetView(0, old - value, 0);
    // The pixels of the area that scrolls horizontally move; the strip that comes in repaints.
    if (auto* painter = dynamic_cast<TcxGridTablePainter*>(view->Painter()))
      painter->ScrollWindowArea(old - value, 0, info->HorzScrollArea());
  } else
    LeftPosChanged();
  view->DoLeftPosChanged();
}

void TcxGridTableController::LeftPosChanged() { GridView()->QueueLayoutChange(); }

void TcxGridTableController::CheckCoordinates() {
  TcxCustomGridTableController::CheckCoordinates();
  SetLeftPos(leftPos_);
}

void TcxGridTableController::ScrollData(Integer direction) {
  switch (direction) {
    case 1: SetLeftPos(leftPos_ - kHorzScrollStep); break;
    case 2: SetLeftPos(leftPos_ + kHorzScrollStep); break;
    case 3: ScrollRecords(false, 1); break;
    case 4: ScrollRecords(true, 1); break;
    default: break;
  }
}

bool TcxGridTableController::CanScrollData(Integer direction) {
  TcxGridTableViewInfo* info = TableViewInfoOfView();
  switch (direction) {
    case 1: return leftPos_ != 0;
    case 2: {
      const Integer maxPos = info ? std::max<Integer>(info->GetDataWidth() - info->ClientWidth(), 0) : 0;
      return std::min(leftPos_ + kHorzScrollStep, maxPos) != leftPos_;
    }
    case 3: return TopRecordIndex() > 0;
    case 4: {
      Integer next = TopRecordIndex() + 1;
      CheckTopRecordIndex(next);
      return next != TopRecordIndex();
    }
    default: return false;
  }
}

Integer TcxGridTableController::GetDragScrollDirection(Integer x, Integer y) {
  TcxGridTableViewInfo* info = TableViewInfoOfView();
  if (!info) return 0;
  TRect vert;
  info->GetVertScrollArea(vert);
  if (vert.Contains(TPoint(x, y))) {
    if (y < vert.Top + kDragScrollEdge) return 3;
    if (y >= vert.Bottom - kDragScrollEdge) return 4;
  }
  return HorzDragScrollDirection(info, TPoint(x, y));
}

void TcxGridTableController::CheckDragScrollingHorz(const TPoint& p) {
  TcxGridTableViewInfo* info = TableViewInfoOfView();
  SetScrollDirection(info ? HorzDragScrollDirection(info, p) : 0);
}

// ---- scroll bars ---------------------------------------------------------------------------------------------

void TcxGridTableController::InitScrollBarsParameters() {
  TcxGridTableViewInfo* info = TableViewInfoOfView();
  if (!info) return;
  SetScrollBarInfo(sbHorizontal, 0, info->GetDataWidth() - 1, kHorzScrollStep, info->ClientWidth(), leftPos_, true,
                   true);
  SetScrollBarInfo(sbVertical, 0, GetScrollBarRecordCount() - 1, 1, VisibleRecordCount(), GetScrollBarPos(), true,
                   true);
}

bool TcxGridTableController::AllRecordsFit() {
  TcxGridTableViewInfo* info = TableViewInfoOfView();
  auto* rows = info ? dynamic_cast<TcxGridRowsViewInfo*>(info->RecordsViewInfo()) : nullptr;
  return TcxCustomGridTableController::AllRecordsFit() && (!rows || rows->AllRowsFullyVisible()) &&
         !IsLastDetailPartlyVisible(false);
}

void TcxGridTableController::Scroll(TScrollBarKind kind, TScrollCode code, Integer& pos) {
  TcxGridTableViewInfo* info = TableViewInfoOfView();
  if (kind == sbHorizontal) {
    switch (code) {
      case scLineUp: ScrollData(1); break;
      case scLineDown: ScrollData(2); break;
      case scPageUp: SetLeftPos(leftPos_ - (info ? info->ClientWidth() : 0)); break;
      case scPageDown: SetLeftPos(leftPos_ + (info ? info->ClientWidth() : 0)); break;
      case scTrack: SetLeftPos(pos); break;
      default: break;
    }
    pos = leftPos_;
    return;
  }
  switch (code) {
    case scLineUp: ScrollData(3); break;
    case scLineDown: ScrollData(4); break;
    case scPageUp: ScrollPage(false); break;
    case scPageDown: ScrollPage(true); break;
    case scPosition:
      if (DataController()->IsGridMode()) SetScrollBarPos(pos);
      break;
    case scTrack:
      if (!DataController()->IsGridMode()) SetScrollBarPos(pos);
      break;
    default: break;
  }
  pos = GetScrollBarPos();
}

// ---- the pressed column and header clicks ---------------------------------------------------------------------

void TcxGridTableController::SetPressedColumn(TcxGridColumn* value) {
  if (value == pressedColumn_) return;
  TcxGridColumn* previous = pressedColumn_;
  pressedColumn_ = value;
  TcxGridTableViewInfo* info = TableViewInfoOfView();
  if (!info || info->Calculating()) return;
  // The pressed look shows on the column's header and on its cell in the group-by box.
  TcxGridColumn* column = value ? value : previous;
  if (TcxGridHeaderViewInfo* header = info->HeaderViewInfo())
    if (column->VisibleIndex() >= 0 && column->VisibleIndex() < header->GetItemViewInfoCount())
      header->GetItemViewInfo(column->VisibleIndex())->Invalidate();
  if (TcxGridGroupByBoxViewInfo* box = info->GroupByBoxViewInfo())
    if (column->GroupIndex() >= 0 && column->GroupIndex() < box->GetItemViewInfoCount())
      box->GetItemViewInfo(column->GroupIndex())->Invalidate();
}

void TcxGridTableController::CancelMode() {
  TcxCustomGridTableController::CancelMode();
  SetPressedColumn(nullptr);
}

TcxCustomGridDragOpenInfo* TcxGridTableController::GetDragOpenInfo(TcxCustomGridHitTest* hitTest) {
  if (TcxCustomGridDragOpenInfo* info = TcxCustomGridTableController::GetDragOpenInfo(hitTest)) return info;
  auto* tab = dynamic_cast<TcxGridDetailsSiteTabHitTest*>(hitTest);
  if (!tab) return nullptr;
  auto* row = dynamic_cast<TcxGridMasterDataRow*>(tab->Owner());
  return row && tab->Level() ? new TcxGridDragOpenInfoMasterDataRowTab(tab->Level(), row) : nullptr;
}

void TcxGridTableController::EndDragAndDrop(bool accepted) {
  SetPressedColumn(nullptr);
  TcxCustomGridTableController::EndDragAndDrop(accepted);
}

void TcxGridTableController::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  pressPos_ = TPoint(x, y);
  TcxCustomGridTableController::MouseDown(button, shift, x, y);
}

void TcxGridTableController::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxCustomGridTableController::MouseUp(button, shift, x, y);
  TcxGridColumn* column = pressedColumn_;
  const bool inside = std::abs(x - pressPos_.X) <= kDragDetect && std::abs(y - pressPos_.Y) <= kDragDetect;
  if (button == mbLeft && column && inside) ProcessHeaderClick(column, shift);
  SetPressedColumn(nullptr);
}

void TcxGridTableController::UngroupAll() {
  TcxGridTableView* view = TableGridView();
  view->BeginUpdate();
  Finally end{[view] { view->EndUpdate(); }};
  for (Integer i = view->GetGroupedColumnCount() - 1; i >= 0; --i) view->GetGroupedColumn(i)->SetVisible(true);
  if (TcxCustomDataController* dc = view->DataController()) dc->Groups()->ClearGrouping();
}

void TcxGridTableController::ProcessHeaderClick(TcxGridColumn* column, TShiftState shift) {
  if (!column->CanSort()) return;
  TcxGridTableView* view = TableGridView();
  const bool groupBySorting = view->GetOptionsCustomize()->GroupBySorting();
  PushHourglassCursor();
  {
    Finally pop{[] { PopHourglassCursor(); }};
    view->BeginUpdate();
    Finally end{[view] { view->EndUpdate(); }};
    if (shift.Contains(ssCtrl)) {
      if (groupBySorting && column->GroupIndex() == 0 && column->CanGroup()) {
        column->SetGroupIndex(-1);
        column->SetVisible(true);
      }
      column->SetSortOrder(soNone);
      if (groupBySorting) {
        // The first column of the remaining sort order that can be grouped groups the view.
        for (Integer k = 0; k < view->GetColumnCount(); ++k) {
          TcxGridColumn* next = nullptr;
          for (Integer i = 0; i < view->GetColumnCount() && !next; ++i)
            if (view->GetColumn(i)->SortIndex() == k) next = view->GetColumn(i);
          if (!next) break;
          if (next->CanGroup()) {
            next->SetGroupIndex(0);
            break;
          }
        }
      }
    } else {
      const TcxDataSortOrder order = column->SortOrder() == soAscending ? soDescending : soAscending;
      if (!shift.Contains(ssShift) && column->GroupIndex() == -1) {
        if (groupBySorting && column->CanGroup()) UngroupAll();
        if (TcxCustomDataController* dc = view->DataController()) dc->ClearSorting(true);
      }
      column->SetSortOrder(order);
      if (groupBySorting && column->SortIndex() == 0 && view->GetGroupedColumnCount() == 0 && column->CanGroup())
        column->SetGroupIndex(0);
    }
  }
  MakeFocusedRecordVisible();
}

// ---- keys ------------------------------------------------------------------------------------------------------

bool TcxGridTableController::IsNewItemRowFocused() const {
  return TableGridView()->GetOptionsView()->NewItemRow() && DataController()->NewItemRowFocused();
}

bool TcxGridTableController::CanDelete(bool checkOptions) {
  return TcxCustomGridTableController::CanDelete(checkOptions) && !IsNewItemRowFocused();
}

void TcxGridTableController::FocusLost() {
  if (IsNewItemRowFocused()) DataController()->SetNewItemRowFocused(false);
  TcxCustomGridTableController::FocusLost();
}

void TcxGridTableController::HandleKeyDown(Word& key, TShiftState shift) {
  TcxGridTableView* view = TableGridView();
  const bool hasNewItemRow = view->GetOptionsView()->NewItemRow();
  // Up and PageUp from the first record reach the new item row; Down and PageDown leave it.
  if (hasNewItemRow && (key == VK_PRIOR || key == VK_UP)) {
    if (IsNewItemRowFocused()) {
      key = 0;
      return;
    }
    bool cycled = false;
    if (FindNextFocusableRecordIndex(FocusedRowIndex(), false, false, cycled) == -1) {
      DataController()->SetNewItemRowFocused(true);
      key = 0;
      return;
    }
  }
  if (hasNewItemRow && (key == VK_NEXT || key == VK_DOWN) && IsNewItemRowFocused() && TopRecordIndex() != -1) {
    DataController()->SetNewItemRowFocused(false);
    if (FocusRowAtIndex(TopRecordIndex()) && FocusedRowIndex() == TopRecordIndex()) {
      key = 0;
      return;
    }
  }
  if ((key == VK_LEFT || key == VK_RIGHT) && FocusedRecord() && FocusedRecord()->HasCells() &&
      FocusNextCell(key == VK_RIGHT, true, false)) {
    key = 0;
    return;
  }
  const Word original = key;
  TcxCustomGridTableController::HandleKeyDown(key, shift);
  if (key == 0) return;
  switch (original) {
    case VK_LEFT: ScrollData(1); break;
    case VK_RIGHT: ScrollData(2); break;
    case VK_HOME:
    case VK_END: {
      const bool end = original == VK_END;
      // A backward walk from no position starts at the last entry only when it may cycle.
      if (!shift.Contains(ssCtrl) && FocusedRecord() && HasFocusableCells(FocusedRecord()))
        FocusNextItem(-1, !end, end, false);
      else
        GoToRecord(-1, !end, end, false, true);
      break;
    }
    // Without Shift (no selection span) the focus goes into and out of expanded details. The
    // arrow stays unconsumed, like the page keys, so that with Shift the keyboard selection
    // spans from the anchor to the new focused record.
    case VK_UP: GoToPrevRecord(!shift.Contains(ssShift), !shift.Contains(ssShift)); return;
    case VK_DOWN: GoToNextRecord(!shift.Contains(ssShift), !shift.Contains(ssShift)); return;
    default: return;
  }
  key = 0;
}

bool TcxGridTableController::CanAppend() {
  return TcxCustomGridTableController::CanAppend() && !TableGridView()->GetOptionsView()->NewItemRow();
}

// ---- column cell multi-selection ----------------------------------------------------------------------------

bool TcxGridTableController::IsCellMultiSelect() const {
  return TableGridView()->GetOptionsSelection()->CellMultiSelect();
}

Integer TcxGridTableController::GetSelectedColumnCount() const {
  Integer n = 0;
  for (Integer i = 0; i < TableGridView()->GetColumnCount(); ++i) n += TableGridView()->GetColumn(i)->Selected();
  return n;
}

TcxGridColumn* TcxGridTableController::GetSelectedColumn(Integer index) const {
  for (Integer i = 0; i < TableGridView()->GetColumnCount(); ++i)
    if (TableGridView()->GetColumn(i)->Selected() && index-- == 0) return TableGridView()->GetColumn(i);
  TList::Error("List index out of bounds (%d)", index);
  return nullptr;
}

void TcxGridTableController::ClearColumnSelection() {
  TcxGridTableView* view = TableGridView();
  view->BeginUpdate();
  Finally end{[view] { view->EndUpdate(); }};
  for (Integer i = view->GetColumnCount() - 1; i >= 0; --i) view->GetColumn(i)->SetSelected(false);
  InvalidateSelection();
}

void TcxGridTableController::SelectColumns(TcxGridColumn* fromColumn, TcxGridColumn* toColumn) {
  TcxGridTableView* view = TableGridView();
  {
    view->BeginUpdate();
    Finally end{[view] { view->EndUpdate(); }};
    std::vector<TcxGridColumn*> columns;
    view->GetItemsForRangeSelection(columns);
    const Integer count = Integer(columns.size());
    auto indexOf = [&](TcxGridColumn* column, Integer missing) {
      auto it = std::find(columns.begin(), columns.end(), column);
      return column && it != columns.end() ? Integer(it - columns.begin()) : missing;
    };
    Integer from = indexOf(fromColumn, 0);
    Integer to = indexOf(toColumn, count - 1);
    if (from > to) std::swap(from, to);
    for (Integer i = view->GetColumnCount() - 1; i >= 0; --i) view->GetColumn(i)->SetSelected(false);
    for (Integer i = from; i <= to && i < count; ++i) columns[size_t(i)]->SetSelected(true);
    InvalidateSelection();
  }
  view->DoSelectionChanged();
}

bool TcxGridTableController::IsColumnLeftOfSizing(const TcxGridColumn* column) const {
  if (!SizingColumn || !column) return false;
  if (column == SizingColumn) return true;
  TcxGridTableView* view = TableGridView();
  const Integer sizing = SizingColumn->VisibleIndex();
  return sizing != view->GetVisibleColumnCount() - 1 && column->VisibleIndex() >= 0 &&
         column->VisibleIndex() < sizing;
}

void TcxGridTableController::FocusedItemChanged(TcxCustomGridTableItem* prevItem) {
  if (!cellSelectionAnchor_) cellSelectionAnchor_ = FocusedColumn();
  TcxCustomGridTableController::FocusedItemChanged(prevItem);
}

void TcxGridTableController::ClearSelection() {
  ClearColumnSelection();
  TcxCustomGridTableController::ClearSelection();
}

void TcxGridTableController::SelectAll() {
  TcxGridTableView* view = TableGridView();
  view->BeginUpdate();
  Finally end{[view] { view->EndUpdate(); }};
  TcxCustomGridTableController::SelectAll();
  SelectAllColumns();
}

// ---- scrolling a column into view ---------------------------------------------------------------------------

void TcxGridTableController::MakeItemVisible(TcxCustomGridTableItem* item) {
  auto* column = dynamic_cast<TcxGridColumn*>(item);
  TcxGridTableViewInfo* info = TableViewInfoOfView();
  if (!column || column->VisibleIndex() < 0 || !info || !info->HeaderViewInfo() ||
      column->VisibleIndex() >= info->HeaderViewInfo()->GetItemViewInfoCount())
    return;
  MakeFocusedRecordVisible();
  // A column that does not scroll horizontally (a fixed band's) is always in view.
  if (!column->CanScroll()) return;
  const TRect area = info->HorzScrollArea();
  TRect r = info->HeaderViewInfo()->GetItemViewInfo(column->VisibleIndex())->Bounds;
  const bool narrower = r.Width() < area.Width();
  if (narrower && r.Right > area.Right) {
    SetLeftPos(leftPos_ + r.Right - area.Right);
    if (info->HeaderViewInfo()) r = info->HeaderViewInfo()->GetItemViewInfo(column->VisibleIndex())->Bounds;
  }
  if (r.Left < area.Left || !narrower) SetLeftPos(leftPos_ + r.Left - area.Left);
}

// ---- column cell multi-selection through clicks and keys ---------------------------------------------------

void TcxGridTableController::KeyDown(Word& key, TShiftState shift) {
  TcxGridViewWatch watch(GridView());
  TcxGridColumn* prevFocused = FocusedColumn();
  TcxCustomGridTableController::KeyDown(key, shift);
  if (watch.Alive() && CanChangeColumnSelectionOnKey(prevFocused)) SelectColumnsOnKey(key, shift);
}

bool TcxGridTableController::CanChangeColumnSelectionOnKey(TcxGridColumn* prevFocusedColumn) {
  return IsCellMultiSelect() && FocusedColumn() != prevFocusedColumn;
}

void TcxGridTableController::SelectColumnsOnKey(Word, TShiftState shift) {
  if (shift.Contains(ssShift)) {
    SelectColumns(cellSelectionAnchor_, FocusedColumn());
    return;
  }
  SelectFocusedRecordOnly();
  if (FocusedRowIndex() >= 0) DataController()->SetSelectionAnchor(FocusedRowIndex());
}

bool TcxGridTableController::CanPostponeRecordSelection() {
  return TcxCustomGridTableController::CanPostponeRecordSelection() && !IsCellMultiSelect();
}

bool TcxGridTableController::IsSelectionClick(TcxCustomGridHitTest* hitTest, TShiftState shift) {
  if (!TcxCustomGridTableController::IsSelectionClick(hitTest, shift)) return false;
  if (!IsCellMultiSelect() || shift.Contains(ssLeft)) return true;
  // A right or middle click on a selected cell keeps the selection (for a context menu).
  auto* cellHit = dynamic_cast<TcxGridRecordCellHitTest*>(hitTest);
  auto* column = cellHit ? dynamic_cast<TcxGridColumn*>(cellHit->Item) : nullptr;
  return !(column && column->Selected() && cellHit->GridRecord && cellHit->GridRecord->Selected());
}

void TcxGridTableController::DoNormalSelection(TcxCustomGridHitTest* hitTest) {
  TcxCustomGridTableController::DoNormalSelection(hitTest);
  if (IsCellMultiSelect() && dynamic_cast<TcxGridRowIndicatorHitTest*>(hitTest)) SelectAllColumns();
}

void TcxGridTableController::DoRangeSelection(bool clearOthers, TcxCustomGridHitTest* hitTest) {
  TcxCustomGridTableController::DoRangeSelection(clearOthers, hitTest);
  if (!IsCellMultiSelect()) return;
  if (dynamic_cast<TcxGridRowIndicatorHitTest*>(hitTest))
    SelectAllColumns();
  else
    SelectColumns(cellSelectionAnchor_, FocusedColumn());
}

void TcxGridTableController::SelectFocusedRecordOnly() {
  TcxGridTableView* view = TableGridView();
  bool columnsChanged = false;
  {
    view->BeginUpdate();
    Finally end{[view] { view->EndUpdate(); }};
    TcxCustomGridTableController::SelectFocusedRecordOnly();
    if (!IsCellMultiSelect()) return;
    TcxGridColumn* focused = FocusedColumn();
    if (GetSelectedColumnCount() == 1 && GetSelectedColumn(0) == focused) return;
    ClearColumnSelection();
    if (focused) {
      focused->SetSelected(true);
      cellSelectionAnchor_ = focused;
    }
    columnsChanged = true;
  }
  // The column selection changed after the bracket closed.
  if (columnsChanged) view->DoSelectionChanged();
}

bool TcxGridTableController::IsKeyForController(Word key, TShiftState shift, bool focusedRowChanged) {
  if (TcxCustomGridTableController::IsKeyForController(key, shift, focusedRowChanged)) return true;
  if (key == VK_UP || key == VK_DOWN) return true;
  if (key != VK_HOME && key != VK_END) return false;
  // With cell selection the editor keeps Home and End of a record with cells.
  return !(TableGridView()->GetOptionsSelection()->CellSelect() && FocusedRecord() && FocusedRecord()->HasCells());
}

void TcxGridTableController::DoKeyboardSelection(Word key, TShiftState shift) {
  if (!IsCellMultiSelect()) {
    TcxCustomGridTableController::DoKeyboardSelection(key, shift);
    return;
  }
  if (shift.Contains(ssShift))
    TcxCustomGridTableController::DoRangeSelection(true);
  else
    SelectAtAnchor(true);
}

// ---- paging and pull focusing ---------------------------------------------------------------------------------

void TcxGridTableController::ShowNextPage() {
  SetTopRecordIndexChecked(TopRecordIndex() + std::max<Integer>(1, VisibleRecordCount() - 1));
}

void TcxGridTableController::ShowPrevPage() {
  const Integer top = TopRecordIndex();
  if (top == -1) return;
  const bool gridMode = DataController()->IsGridMode();
  const Integer visible = VisibleRecordCount();
  Integer count;
  if (top != 0) {
    count = GetPageRecordCount(top, false);
    if (gridMode && count == top + 1 && count < visible) count = visible;
  } else {
    if (!gridMode) return;
    count = visible;
  }
  // The record that was on top ends as the last visible one.
  if (count <= 1)
    ScrollData(3);
  else if (gridMode)
    SetTopRecordIndexChecked(top - count + 1);
  else
    SetTopRecordIndex(top - count + 1);
}

void TcxGridTableController::DoPullFocusingScrolling(Integer direction) {
  if (direction == 1 || direction == 2) FocusNextCell(direction == 2, true, false);
  TcxCustomGridTableController::DoPullFocusingScrolling(direction);
}

bool TcxGridTableController::GetPullFocusingScrollingDirection(Integer x, Integer y, Integer& direction) {
  bool result = TcxCustomGridTableController::GetPullFocusingScrollingDirection(x, y, direction);
  TcxGridTableViewInfo* info = TableViewInfoOfView();
  if (!info) return result;
  TRect area;
  info->GetVertScrollArea(area);
  if (x >= area.Right) {
    direction = 2;
    result = true;
  } else if (x < area.Left) {
    direction = 1;
    result = true;
  }
  return result;
}

bool TcxGridTableController::SupportsPullFocusing() {
  return TcxCustomGridTableController::SupportsPullFocusing() || IsCellMultiSelect();
}

// ---- the detail of the last master row -------------------------------------------------------------------------

bool TcxGridTableController::IsLastDetailPartlyVisible(bool allRows) {
  TcxGridTableView* view = TableGridView();
  TcxGridTableViewInfo* info = TableViewInfoOfView();
  auto* rows = info ? dynamic_cast<TcxGridRowsViewInfo*>(info->RecordsViewInfo()) : nullptr;
  TcxCustomGridTableViewData* data = TableViewData();
  if (!view->IsMasterView() || !rows || !data || data->CountRecords() == 0) return false;
  const Integer visible = VisibleRecordCount();
  if (!(visible > 1 || allRows)) return false;
  const bool atEnd = GetScrollBarPos() == TcxCustomGridTableController::GetScrollBarRecordCount() - visible;
  if (!(atEnd || (allRows && data->CountRecords() == 1))) return false;
  if (visible <= 0 || visible > rows->Count()) return false;
  TcxCustomGridRowViewInfo* last = rows->Row(visible - 1);
  auto* master = dynamic_cast<TcxGridMasterDataRow*>(last->GridRecord());
  if (!master || !master->GetExpanded() || !master->GetActiveDetailGridViewExists()) return false;
  TcxCustomGridView* detail = master->GetActiveDetailGridView();
  if (!detail || !detail->Controller() || detail->Controller()->AllRecordsFit()) return false;
  // The row's details area is cut off at the bottom of the rows area.
  auto* masterRow = dynamic_cast<TcxGridMasterDataRowViewInfo*>(last);
  return masterRow ? !masterRow->IsDetailsAreaFullyVisible() : last->Bounds.Bottom > rows->Bounds.Bottom;
}

Integer TcxGridTableController::GetMaxTopRecordIndex() {
  if (IsLastDetailPartlyVisible(false)) return TopRecordIndex() + 1;
  return TcxCustomGridTableController::GetMaxTopRecordIndex();
}

Integer TcxGridTableController::GetScrollBarRecordCount() {
  return TcxCustomGridTableController::GetScrollBarRecordCount() + (IsLastDetailPartlyVisible(false) ? 1 : 0);
}
