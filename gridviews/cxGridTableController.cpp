// The table controller (unit cxGridTableView): the horizontal position, the pressed column and
// header-click sorting, keys, column cell multi-selection and the scroll bars.
#include <algorithm>

#include "data/cxCustomData.h"
#include "data/cxCustomDataInternal.h"
#include "gridviews/cxGridTableView.h"
#include "gridviews/cxGridTableViewInfo.h"

using cxdata_internal::Finally;

namespace {

constexpr Integer kHorzScrollStep = 10;
constexpr Integer kDragScrollEdge = 15;
// The platform's drag-detect distance.
constexpr Integer kDragDetect = 4;

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
  const TRect horz = info->HorzScrollArea();
  if (horz.Contains(TPoint(x, y))) {
    if (x < horz.Left + kDragScrollEdge) return 1;
    if (x >= horz.Right - kDragScrollEdge) return 2;
  }
  return 0;
}

// ---- scroll bars ---------------------------------------------------------------------------------------------

void TcxGridTableController::InitScrollBarsParameters() {
  TcxGridTableViewInfo* info = TableViewInfoOfView();
  if (!info) return;
  SetScrollBarInfo(sbHorizontal, 0, info->GetDataWidth() - 1, kHorzScrollStep, info->ClientWidth(), leftPos_, true,
                   true);
  const Integer records = TableViewData() ? TableViewData()->CountRecords() : 0;
  SetScrollBarInfo(sbVertical, 0, records - 1, 1, VisibleRecordCount(), TopRecordIndex(), true, true);
}

bool TcxGridTableController::AllRecordsFit() {
  TcxGridTableViewInfo* info = TableViewInfoOfView();
  auto* rows = info ? dynamic_cast<TcxGridRowsViewInfo*>(info->RecordsViewInfo()) : nullptr;
  return TcxCustomGridTableController::AllRecordsFit() && (!rows || rows->AllRowsFullyVisible());
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
    case scTrack: SetTopRecordIndexChecked(pos); break;
    default: break;
  }
  pos = TopRecordIndex();
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
      if (!shift.Contains(ssCtrl) && FocusedRecord() && HasFocusableCells(FocusedRecord()))
        FocusNextItem(-1, !end, false, false);
      else
        GoToRecord(-1, !end, false, false, true);
      break;
    }
    case VK_UP: GoToPrevRecord(false, !shift.Contains(ssShift)); break;
    case VK_DOWN: GoToNextRecord(false, !shift.Contains(ssShift)); break;
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
    const Integer count = view->GetVisibleColumnCount();
    Integer from = fromColumn && fromColumn->VisibleIndex() >= 0 ? fromColumn->VisibleIndex() : 0;
    Integer to = toColumn && toColumn->VisibleIndex() >= 0 ? toColumn->VisibleIndex() : count - 1;
    if (from > to) std::swap(from, to);
    for (Integer i = view->GetColumnCount() - 1; i >= 0; --i) view->GetColumn(i)->SetSelected(false);
    for (Integer i = from; i <= to && i < count; ++i) view->GetVisibleColumn(i)->SetSelected(true);
    InvalidateSelection();
  }
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
  const TRect area = info->HorzScrollArea();
  TRect r = info->HeaderViewInfo()->GetItemViewInfo(column->VisibleIndex())->Bounds;
  const bool narrower = r.Width() < area.Width();
  if (narrower && r.Right > area.Right) {
    SetLeftPos(leftPos_ + r.Right - area.Right);
    if (info->HeaderViewInfo()) r = info->HeaderViewInfo()->GetItemViewInfo(column->VisibleIndex())->Bounds;
  }
  if (r.Left < area.Left || !narrower) SetLeftPos(leftPos_ + r.Left - area.Left);
}
