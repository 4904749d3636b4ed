#include "gridviews/cxGridRows.h"

#include "rtl/SysUtils.h"
#include "user/Windows.h"

KORVAN_IMPLEMENT_CLASS(TcxGridViewData)

namespace {

// Runs `body` inside the view's update bracket.
template <class F>
void InViewUpdate(TcxCustomGridView* view, F body) {
  view->BeginUpdate();
  try {
    body();
  } catch (...) {
    view->EndUpdate();
    throw;
  }
  view->EndUpdate();
}

}  // namespace

// ---- rows -------------------------------------------------------------------------------------------

TcxGridViewData* TcxCustomGridRow::ViewData() const { return static_cast<TcxGridViewData*>(TcxCustomGridRecord::ViewData()); }

void TcxCustomGridRow::HandleExpandKeys(Word& key) {
  switch (key) {
    case VK_LEFT:
      if (GetExpandable() && GetExpanded()) {
        SetExpanded(false);
        key = 0;
      }
      break;
    case VK_RIGHT:
      if (GetExpandable() && !GetExpanded()) {
        SetExpanded(true);
        key = 0;
      }
      break;
    case VK_MULTIPLY:
      if (GetExpandable()) {
        // The character of the same key stroke is not handled again.
        KeyConsumed = true;
        ExpandRecord(true);
        key = 0;
      }
      break;
    default:
      break;
  }
}

void TcxCustomGridRow::KeyDown(Word& key, TShiftState shift) { HandleExpandKeys(key); }

// ---- master rows ------------------------------------------------------------------------------------

Integer TcxGridMasterDataRow::GetActiveDetailIndex() {
  TcxCustomDataController* dc = DataController();
  Integer index = dc->GetDetailActiveRelationIndex(RecordIndex());
  TcxGridTableView* view = GridView();
  TcxGridLevel* level = view->Level();
  if (index != -1 && level && index < level->Count() && !level->Items(index)->Visible() && !view->IsDestroying()) {
    // The write queues view changes that the cancelling end of the bracket drops.
    view->BeginUpdate();
    try {
      index = view->GetDefaultActiveRelationIndex();
      SetActiveDetailIndex(index);
    } catch (...) {
      view->CancelUpdate();
      throw;
    }
    view->CancelUpdate();
  }
  return index;
}

void TcxGridMasterDataRow::SetActiveDetailIndex(Integer index) {
  TcxCustomDataController* dc = DataController();
  if (dc->GetDetailActiveRelationIndex(RecordIndex()) == index) return;
  // The change may make the rows anew (this row among them): nothing of it is read after.
  TcxGridLevel* level = GridView()->Level();
  TcxCustomGrid* grid = GridView()->Control();
  dc->ChangeDetailActiveRelationIndex(RecordIndex(), index);
  if (grid && level && index >= 0 && index < level->Count()) grid->DoActiveTabChanged(level->Items(index));
}

TcxGridLevel* TcxGridMasterDataRow::GetActiveDetailLevel() {
  const Integer index = GetActiveDetailIndex();
  TcxGridLevel* level = GridView()->Level();
  return index == -1 || !level || index >= level->Count() ? nullptr : level->Items(index);
}

TcxCustomGridView* TcxGridMasterDataRow::GetActiveDetailGridView() {
  const Integer index = GetActiveDetailIndex();
  return index == -1 ? nullptr : GetDetailGridView(index);
}

bool TcxGridMasterDataRow::GetActiveDetailGridViewExists() {
  if (!GetExpanded()) return false;
  const Integer index = GetActiveDetailIndex();
  return index != -1 && GetDetailGridViewExists(index);
}

TcxCustomGridView* TcxGridMasterDataRow::GetDetailGridView(Integer index) {
  return dynamic_cast<TcxCustomGridView*>(DataController()->GetDetailLinkObject(RecordIndex(), index));
}

Integer TcxGridMasterDataRow::GetDetailGridViewCount() { return DataController()->RelationList()->RelationCount(); }

bool TcxGridMasterDataRow::GetDetailGridViewExists(Integer index) {
  return DataController()->IsDetailDataControllerExist(RecordIndex(), index);
}

bool TcxGridMasterDataRow::HasDetailChildren() {
  TcxCustomDataController* dc = DataController();
  TcxCustomDataRelationList* relations = dc->RelationList();
  for (Integer i = 0; i < relations->RelationCount(); ++i)
    if (dc->GetDetailHasChildren(RecordIndex(), i)) return true;
  return false;
}

void TcxGridMasterDataRow::CollapseRecord(bool recursive) {
  // Collapsing makes the rows anew: this row is not read after the data controller acts.
  TcxCustomDataController* dc = DataController();
  const Integer recordIndex = RecordIndex();
  InViewUpdate(GridView(), [&] {
    if (recursive && GetExpanded()) {
      for (Integer i = 0; i < GetDetailGridViewCount(); ++i) {
        if (!GetDetailGridViewExists(i)) continue;
        auto* detail = dynamic_cast<TcxCustomGridTableView*>(GetDetailGridView(i));
        if (detail && detail->TableViewData()) detail->TableViewData()->CollapseAll(true);
      }
    }
    dc->ChangeDetailExpanding(recordIndex, false);
  });
}

void TcxGridMasterDataRow::ExpandRecord(bool recursive) {
  const Integer rowIndex = Index();
  const Integer recordIndex = RecordIndex();
  TcxGridViewData* viewData = GridView()->GetViewData();
  if (!DataController()->ChangeDetailExpanding(recordIndex, true)) return;
  // Expanding may make the rows anew, this one among them: the view data is asked again for
  // the row at the same index, and only that row is used from here on.
  auto* row = dynamic_cast<TcxGridMasterDataRow*>(viewData->RecordAtRowIndex(rowIndex));
  if (!row) return;
  if (row->RecordIndex() != recordIndex) {
    row->ExpandRecord(recursive);
    return;
  }
  if (!recursive || !row->GetExpanded()) return;
  for (Integer i = 0; i < row->GetDetailGridViewCount(); ++i) {
    auto* detail = dynamic_cast<TcxCustomGridTableView*>(row->GetDetailGridView(i));
    if (detail && detail->TableViewData()) detail->TableViewData()->ExpandAll(true);
  }
}

bool TcxGridMasterDataRow::GetExpandable() {
  return GridView()->GetOptionsView()->ExpandButtonsForEmptyDetails() || HasDetailChildren() || GetExpanded();
}

bool TcxGridMasterDataRow::GetExpanded() { return DataController()->GetDetailExpanding(RecordIndex()); }

bool TcxGridMasterDataRow::ExpandsOnDblClick() {
  return TcxGridDataRow::ExpandsOnDblClick() && GridView()->GetOptionsBehavior()->ExpandMasterRowOnDblClick();
}

TcxCustomGridRecord* TcxGridMasterDataRow::GetFirstChildToFocus() {
  if (!GetExpanded()) return nullptr;
  auto* detail = dynamic_cast<TcxCustomGridTableView*>(GetActiveDetailGridView());
  if (!detail || !detail->TableViewData()) return nullptr;
  TcxCustomGridTableViewData* data = detail->TableViewData();
  if (data->NewItemRecord()) return data->NewItemRecord();
  return data->RecordAtRowIndex(0);
}

TcxCustomGridRecord* TcxGridMasterDataRow::GetLastChildToFocus(bool recursive) {
  if (!GetExpanded()) return nullptr;
  auto* detail = dynamic_cast<TcxCustomGridTableView*>(GetActiveDetailGridView());
  if (!detail || !detail->TableViewData()) return nullptr;
  TcxCustomGridTableViewData* data = detail->TableViewData();
  TcxCustomGridRecord* last = data->RecordAtRowIndex(data->CountRecords() - 1);
  if (!last) return data->NewItemRecord();
  if (recursive)
    if (auto* master = dynamic_cast<TcxGridMasterDataRow*>(last))
      if (TcxCustomGridRecord* child = master->GetLastChildToFocus(true)) return child;
  return last;
}

// ---- group rows -------------------------------------------------------------------------------------

void TcxGridGroupRow::KeyDown(Word& key, TShiftState shift) {
  TcxCustomGridRow::KeyDown(key, shift);
  // The multiply key again, when the inherited handling left it.
  if (key == VK_MULTIPLY && GetExpandable()) {
    KeyConsumed = true;
    ExpandRecord(true);
    key = 0;
  }
}

void TcxGridGroupRow::CollapseRecord(bool recursive) {
  if (recursive || GetExpanded()) DataController()->Groups()->ChangeRowExpanding(Index(), false, recursive);
}

void TcxGridGroupRow::ExpandRecord(bool recursive) {
  if (recursive || !GetExpanded()) DataController()->Groups()->ChangeRowExpanding(Index(), true, recursive);
}

bool TcxGridGroupRow::GetExpandable() { return !DataController()->GetOptions().Contains(dcoGroupsAlwaysExpanded); }

TcxGridColumn* TcxGridGroupRow::GetGroupedColumn() { return GridView()->GetGroupedColumn(Level()); }

String TcxGridGroupRow::GetGroupText() {
  String text = Format("%s : %s", {GetGroupedColumn()->Caption(), GetDisplayText(-1)});
  String summary = DataController()->Summary()->GroupSummaryText(Index());
  if (!summary.empty()) text += " " + summary;
  return text;
}

Variant TcxGridGroupRow::GetValue(Integer) { return Variant(); }

// ---- view data --------------------------------------------------------------------------------------

TcxGridRecordClass TcxGridViewData::GetRecordClass(const TcxRowInfo& rowInfo) {
  if (rowInfo.Level < DataController()->Groups()->GroupingLevelCount()) return GridRecordClassOf<TcxGridGroupRow>();
  if (GridView()->IsMasterView()) return GridRecordClassOf<TcxGridMasterDataRow>();
  return GridRecordClassOf<TcxGridDataRow>();
}

bool TcxGridViewData::HasNewItemRecord() { return GridView()->GetOptionsView()->NewItemRow(); }

void TcxGridViewData::CollapseAll(bool recursive) {
  if (!recursive) {
    TcxCustomGridTableViewData::CollapseAll(false);
    return;
  }
  InViewUpdate(GridView(), [&] {
    TcxCustomDataController* dc = DataController();
    dc->Groups()->FullCollapse();
    if (dc->HasRelations()) dc->CollapseDetails();
  });
}

void TcxGridViewData::ExpandAll(bool recursive) {
  DataController()->Groups()->FullExpand();
  // Once the groups are expanded only master rows have more to expand: without details the
  // walk over every row would change nothing.
  if (GridView()->IsMasterView()) TcxCustomGridTableViewData::ExpandAll(recursive);
}
