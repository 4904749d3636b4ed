// Records of the record-based view and the view data that makes them on demand.
#include <algorithm>

#include "grid/cxGridCustomTableView.h"
#include "grid/cxGridCustomTableController.h"
#include "grid/cxGridCustomTableViewInfo.h"
#include "grid/cxGridLevel.h"
#include "editors/cxEdit.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomGridTableViewData)
KORVAN_IMPLEMENT_CLASS(TcxGridRecordHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridRecordCellHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridExpandButtonHitTest)

// ---- record -------------------------------------------------------------------------------

TcxCustomDataController* TcxCustomGridRecord::DataController() const { return viewData_->DataController(); }
TcxCustomGridTableView* TcxCustomGridRecord::GridView() const { return viewData_->TableView(); }
bool TcxCustomGridRecord::IsNewItemRecord() const { return viewData_->NewItemRecord() == this; }

bool TcxCustomGridRecord::HasDataRecord() const {
  return rowInfo_.RecordIndex >= 0 && rowInfo_.RecordIndex < DataController()->GetRecordCount();
}

void TcxCustomGridRecord::RefreshRecordInfo() {
  if (IsNewItemRecord()) {
    rowInfo_ = TcxRowInfo();
    rowInfo_.RecordIndex = DataController()->GetNewItemRecordIndex();
  } else {
    rowInfo_ = DataController()->RowInfoAt(index_);
  }
}

bool TcxCustomGridRecord::GetIsLast() { return index_ == DataController()->RowCount() - 1; }

TcxCustomGridRecord* TcxCustomGridRecord::GetParentRecord() {
  // A top-level record of a detail has the master's record as parent; master records come
  // with master-detail views.
  if (rowInfo_.Level == 0) return nullptr;
  for (Integer i = index_ - 1; i >= 0; --i) {
    TcxCustomGridRecord* r = viewData_->FetchRecord(i);
    if (r->Level() < rowInfo_.Level) return r;
  }
  return nullptr;
}

String TcxCustomGridRecord::GetDisplayText(Integer itemIndex) {
  int i = itemIndex;
  return DataController()->RowDisplayText(rowInfo_, i);
}

Integer TcxCustomGridRecord::GetValueCount() { return DataController()->GetItemCount(); }

Variant TcxCustomGridRecord::GetValue(Integer itemIndex) { return DataController()->RowValue(rowInfo_, itemIndex); }

void TcxCustomGridRecord::SetDisplayText(Integer itemIndex, const String& text) {
  if (IsDataRecord()) DataController()->SetDisplayText(rowInfo_.RecordIndex, itemIndex, text);
}

void TcxCustomGridRecord::SetValue(Integer itemIndex, const Variant& value) {
  if (IsDataRecord()) DataController()->SetValue(rowInfo_.RecordIndex, itemIndex, value);
}

void TcxCustomGridRecord::SetExpanded(bool value) {
  if (value == GetExpanded()) return;
  if (value)
    ExpandIfExpandable(false);
  else
    CollapseIfExpandable(false);
}

bool TcxCustomGridRecord::IsLastOfAncestor(Integer depth) {
  if (GetIsLast()) return true;
  return DataController()->RowInfoAt(index_ + 1).Level < rowInfo_.Level - depth;
}

Integer TcxCustomGridRecord::GetLastOfAncestorsCount() {
  Integer count = 0;
  while (count <= rowInfo_.Level - 1 && IsLastOfAncestor(count)) ++count;
  return rowInfo_.Level == 0 ? 0 : count;
}

// ---- view data ----------------------------------------------------------------------------

TcxCustomGridTableViewData::~TcxCustomGridTableViewData() {
  FreeWrappers();
  delete newItemRecord_;
}

TcxCustomGridTableView* TcxCustomGridTableViewData::TableView() const {
  return static_cast<TcxCustomGridTableView*>(GridView());
}

TcxCustomDataController* TcxCustomGridTableViewData::DataController() const { return GridView()->DataController(); }

void TcxCustomGridTableViewData::FreeWrappers() {
  for (TcxCustomGridRecord* r : made_) delete r;
  made_.clear();
  editingRecord_ = nullptr;
}

TcxCustomGridRecord* TcxCustomGridTableViewData::FetchRecord(Integer rowIndex) {
  TcxCustomGridRecord*& slot = slots_.at(size_t(rowIndex));
  if (!slot) {
    TcxRowInfo info = DataController()->RowInfoAt(rowIndex);
    slot = GetRecordClass(info)(this, info, rowIndex);
    made_.push_back(slot);
  }
  return slot;
}

TcxCustomGridRecord* TcxCustomGridTableViewData::RecordByRecordIndex(Integer recordIndex) {
  TcxCustomDataController* dc = DataController();
  if (newItemRecord_ && recordIndex == dc->GetNewItemRecordIndex()) return newItemRecord_;
  if (recordIndex < 0 || recordIndex >= dc->GetRecordCount()) return nullptr;
  if (GridView()->IsUpdateLocked() || !dc->IsInfoReady()) {
    // Rows may be out of date: only the wrappers that exist are searched, in row order.
    TcxCustomGridRecord* found = nullptr;
    for (TcxCustomGridRecord* r : made_)
      if (r->IsDataRecord() && r->RecordIndex() == recordIndex && (!found || r->Index() < found->Index())) found = r;
    return found;
  }
  return RecordAtRowIndex(dc->RowIndexOfRecord(recordIndex, false));
}

TcxCustomGridRecord* TcxCustomGridTableViewData::GetEditingRecord() {
  TcxCustomDataController* dc = DataController();
  return dc->IsEditing() ? RecordByRecordIndex(dc->GetEditingRecordIndex()) : nullptr;
}

TcxCustomGridRecord* TcxCustomGridTableViewData::FindRecordOfKind(Integer kind, Integer index) {
  if (kind == 1) return newItemRecord_;
  if (kind == 0) return RecordAtRowIndex(index);
  return nullptr;
}

void TcxCustomGridTableViewData::CollapseAll(bool recursive) {
  GridView()->BeginUpdate();
  try {
    for (Integer i = DataController()->RowCount() - 1; i >= 0; --i)
      if (TcxCustomGridRecord* r = RecordAtRowIndex(i)) r->CollapseIfExpandable(recursive);
  } catch (...) {
    GridView()->EndUpdate();
    throw;
  }
  GridView()->EndUpdate();
}

void TcxCustomGridTableViewData::ExpandAll(bool recursive) {
  GridView()->BeginUpdate();
  try {
    const Integer count = DataController()->RowCount();
    for (Integer i = 0; i < count; ++i)
      if (TcxCustomGridRecord* r = RecordAtRowIndex(i)) r->ExpandIfExpandable(recursive);
  } catch (...) {
    GridView()->EndUpdate();
    throw;
  }
  GridView()->EndUpdate();
}

void TcxCustomGridTableViewData::ResetRecords(Integer newCount) {
  CheckNewItemRecord();
  FreeWrappers();
  slots_.assign(size_t(std::max<Integer>(newCount, 0)), nullptr);
  RefreshEditingRecord();
  GridView()->QueueSizeChange(false, false);
}

void TcxCustomGridTableViewData::RefreshRecordInfos() {
  if (newItemRecord_) newItemRecord_->RefreshRecordInfo();
  for (TcxCustomGridRecord* r : made_) r->RefreshRecordInfo();
  RefreshEditingRecord();
}

void TcxCustomGridTableViewData::CheckNewItemRecord() {
  delete newItemRecord_;
  newItemRecord_ = nullptr;
  if (!HasNewItemRecord()) return;
  if (TcxGridRecordClass make = GetNewItemRecordClass()) {
    newItemRecord_ = make(this, TcxRowInfo(), -1);
    newItemRecord_->RefreshRecordInfo();
  }
}

// ---- the view's reaction to the data controller --------------------------------------------

TcxCustomGridTableViewData* TcxCustomGridTableView::TableViewData() const {
  return dynamic_cast<TcxCustomGridTableViewData*>(ViewData());
}

TObject* GridCreateDetailLinkObject(TcxCustomDataRelation* relation, int recordIndex) {
  auto* level = relation ? dynamic_cast<TcxGridLevel*>(relation->Item()) : nullptr;
  return level ? level->CreateDetailGridView(relation, recordIndex) : nullptr;
}

TcxCustomDataController* GridDetailDataControllerOfLink(TObject* linkObject) {
  auto* view = dynamic_cast<TcxCustomGridView*>(linkObject);
  return view ? view->DataController() : nullptr;
}

bool TcxCustomGridTableView::IsDetailVisible(TcxCustomGridView* detail) {
  TcxCustomGridTableViewData* data = TableViewData();
  if (!data || !detail || !detail->DataController()) return false;
  const Integer masterIndex = detail->DataController()->GetMasterRecordIndex();
  if (masterIndex < 0) return false;
  TcxCustomGridRecord* record = data->RecordByRecordIndex(masterIndex);
  return record && record->ViewInfo && record->ViewInfo->IsDetailVisible(detail);
}

void TcxCustomGridTableView::UpdateControl(TcxUpdateControlInfo* info) {
  if (IsDestroying() || ComponentState().Contains(csLoading)) return;
  auto* controller = dynamic_cast<TcxCustomGridTableController*>(Controller());
  if (dynamic_cast<TcxDataChangedInfo*>(info)) {
    DataChanged();
  } else if (dynamic_cast<TcxLayoutChangedInfo*>(info)) {
    LayoutChanged();
  } else if (auto* focus = dynamic_cast<TcxFocusedRecordChangedInfo*>(info)) {
    if (controller) controller->FocusedRecordChanged(focus->PrevFocusedRowIndex, focus->FocusedRowIndex,
                                                     focus->NewItemRowFocusingChanged);
  } else if (dynamic_cast<TcxSelectionChangedInfo*>(info)) {
    // Every row shown is painted again with its selected look.
    if (controller) QueueLayoutChange();
    DoSelectionChanged();
  } else if (dynamic_cast<TcxSearchChangedInfo*>(info)) {
    if (controller) QueueLayoutChange();
  } else if (auto* update = dynamic_cast<TcxUpdateRecordInfo*>(info)) {
    RecordChanged(update->RecordIndex);
  }
  UpdateNavigatorState();
  TcxCustomGridView::UpdateControl(info);
}

void TcxCustomGridTableView::RecordChanged(Integer) {
  if (TcxCustomGridTableViewData* data = TableViewData()) data->RefreshEditingRecord();
  auto* controller = dynamic_cast<TcxCustomGridTableController*>(Controller());
  if (!controller) return;
  // Cells take their texts when they are calculated: the records are laid out again (a
  // new size when a record's height may follow its values).
  if (ViewInfoCache()) ViewInfoCache()->UnassignValues(false);
  QueueSizeChange(false, false);
  // The open editor shows the record's new value unless the user changed it since it opened
  // (the record starting its edit reports a change too).
  TcxGridEditingController* editing = controller->EditingController();
  if (editing->Edit() && !editing->Edit()->ChangedSinceEnter()) editing->UpdateEditValue();
}

void TcxCustomGridTableView::DataChanged() {
  for (Integer i = 0; i < ItemCount(); ++i) Items(i)->DataChanged();
  // The data change is never deferred: the records follow the row count at once.
  RecordCountChanged();
}

void TcxCustomGridTableView::LayoutChanged() {
  if (TcxCustomGridTableViewData* data = TableViewData()) data->RefreshRecordInfos();
  if (ViewInfoCache()) ViewInfoCache()->UnassignValues(false);
  QueueSizeChange(false, false);
}

void TcxCustomGridTableView::RecordCountChanged() {
  if (TcxCustomGridTableViewData* data = TableViewData()) data->ResetRecords(DataController()->RowCount());
  if (!dynamic_cast<TcxCustomGridTableController*>(Controller())) return;
  // Record heights are measured anew and the records laid out again.
  if (ViewInfoCache()) ViewInfoCache()->SetCount(DataController()->RowCount());
  QueueSizeChange(false, false);
}
