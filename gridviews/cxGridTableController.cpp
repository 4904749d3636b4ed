// The table controller (unit cxGridTableView): the horizontal position and the pressed column.
#include "gridviews/cxGridTableView.h"
#include "gridviews/cxGridTableViewInfo.h"

void TcxGridTableController::SetLeftPos(Integer value) {
  auto* view = static_cast<TcxGridTableView*>(GridView());
  TcxGridTableViewInfo* info = view->GetViewInfo();
  const Integer maxPos = info ? std::max<Integer>(info->GetDataWidth() - info->ClientWidth(), 0) : 0;
  value = std::max<Integer>(std::min(value, maxPos), 0);
  if (value == leftPos_) return;
  leftPos_ = value;
  view->QueueLayoutChange();
  view->DoLeftPosChanged();
}

void TcxGridTableController::SetPressedColumn(TcxGridColumn* value) {
  if (value == pressedColumn_) return;
  TcxGridColumn* previous = pressedColumn_;
  pressedColumn_ = value;
  auto* view = static_cast<TcxGridTableView*>(GridView());
  TcxGridTableViewInfo* info = view->GetViewInfo();
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

void TcxGridTableController::CheckCoordinates() {
  TcxCustomGridController::CheckCoordinates();
  SetLeftPos(leftPos_);
}

void TcxGridTableController::CancelMode() {
  TcxCustomGridController::CancelMode();
  SetPressedColumn(nullptr);
}
