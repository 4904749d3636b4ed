// The table controller: focus, navigation, keyboard, incremental search, new and deleted
// records; and the grid hooks of records and items that reach it.
#include "grid/cxGridCustomTableController.h"

#include <algorithm>

#include "data/cxDBData.h"
#include "editors/cxEdit.h"
#include "data/cxCustomDataInternal.h"
#include "grid/cxGrid.h"
#include "grid/cxGridDragAndDrop.h"
#include "rtl/SysUtils.h"
#include "vcl/Forms.h"

using cxdata_internal::Finally;

KORVAN_IMPLEMENT_CLASS(TcxCustomGridTableController)
KORVAN_IMPLEMENT_CLASS(TcxGridFocusedRecordChange)

namespace {
const TcxResourceStringRec scxGridConfirmDelete{"cxSDeleteRecordQuestion", "Delete record?"};
const TcxResourceStringRec scxGridConfirmDeleteMany{"cxSDeleteMultipleRecordsQuestion", "Delete all selected records?"};
const TcxResourceStringRec scxGridConfirm{"cxSConfirm", "Confirm"};


// Shift, Alt and Ctrl of a shift state (no buttons, no double click).
TShiftState KeyboardPart(TShiftState shift) {
  TShiftState keys;
  for (auto v : {ssShift, ssAlt, ssCtrl})
    if (shift.Contains(v)) keys.Include(v);
  return keys;
}

// The data controller's edit state flags (inserting, changing, modified); its permitted edit
// operations are GetEditState.
bool IsInserting(TcxCustomDataController* dc) { return dc->GetEditFlags() & dceInserting; }
bool IsModified(TcxCustomDataController* dc) { return dc->GetEditFlags() & dceModified; }

TcxDBDataController* GridModeController(TcxCustomDataController* dc) {
  return dc->IsGridMode() ? dynamic_cast<TcxDBDataController*>(dc) : nullptr;
}
}  // namespace

Integer FindNextIndex(Integer start, Integer count, bool forward, bool cycle,
                      const std::function<bool(Integer)>& accept, bool& cycled) {
  cycled = false;
  if (count <= 0) return -1;
  Integer i;
  if (start != -1)
    i = forward ? start + 1 : start - 1;
  else if (forward)
    i = 0;
  else if (cycle)
    i = count - 1;
  else
    return -1;
  // With start -1 one full pass; otherwise until the walk comes back to start.
  for (Integer tried = 0; tried < count; ++tried) {
    if (i < 0 || i >= count) {
      if (!cycle || cycled) return -1;
      i = i < 0 ? count - 1 : 0;
      cycled = true;
    }
    if (start != -1 && i == start) return -1;
    if (accept(i)) return i;
    i += forward ? 1 : -1;
  }
  return -1;
}

// ---- records and items reach the controller ------------------------------------------------------

namespace {
TcxCustomGridTableController* TableControllerOf(TcxCustomGridView* view) {
  return view ? dynamic_cast<TcxCustomGridTableController*>(view->Controller()) : nullptr;
}
}  // namespace

TcxCustomGridRecord::~TcxCustomGridRecord() {
  if (ViewInfo) ViewInfo->RecordDestroyed();
}

bool TcxCustomGridRecord::CanFocus() {
  bool allow = true;
  TcxCustomGridTableView* view = GridView();
  if (view && view->OnCanFocusRecord) view->OnCanFocusRecord(view, this, allow);
  return allow;
}

bool TcxCustomGridRecord::Focused() {
  TcxCustomGridTableController* c = TableControllerOf(GridView());
  return c && c->FocusedRecord() == this;
}

void TcxCustomGridRecord::SetFocused(bool value) {
  TcxCustomGridTableController* c = TableControllerOf(GridView());
  if (!c) return;
  if (value)
    c->FocusRowAtIndex(index_);
  else if (Focused())
    c->FocusRowAtIndex(-1);
}

bool TcxCustomGridRecord::Selected() { return index_ >= 0 && DataController()->IsRowSelected(index_); }

void TcxCustomGridRecord::KeyDown(Word& key, TShiftState shift) {
  TcxCustomGridTableController* c = TableControllerOf(GridView());
  if (!c || !HasCells()) return;
  TcxCustomGridTableItem* item = c->FocusedItem();
  // Enter moves to the next cell instead when the view says so.
  if (key == VK_RETURN && GridView()->TableOptionsBehavior()->GoToNextCellOnEnter()) return;
  if ((key == VK_RETURN || key == VK_F2) && shift.Empty() && item && !c->IsEditing()) {
    item->SetEditing(true);
    if (item->Editing()) key = 0;
  }
}

void TcxCustomGridRecord::KeyPress(char32_t& key) {
  TcxCustomGridTableController* c = TableControllerOf(GridView());
  if (!c || !HasCells() || c->IsEditing()) return;
  TcxCustomGridTableItem* item = c->FocusedItem();
  if (!item) return;
  if (key == 8 || key == 22 || key == 24 || key >= 32) {
    c->EditingController()->ShowEditByKey(item, key);
    if (c->IsEditing()) key = 0;
  }
}

bool TcxCustomGridTableItem::CanFocus(TcxCustomGridRecord* record) {
  if (!Visible() || !Options()->Focusing()) return false;
  return !record || record->HasCells();
}

bool TcxCustomGridTableItem::IsFocusedCellPartlyHidden() {
  TcxCustomGridTableController* c = TableControllerOf(GridView());
  TcxCustomGridRecord* record = c ? c->FocusedRecord() : nullptr;
  auto* info = GridView() ? dynamic_cast<TcxCustomGridTableViewInfo*>(GridView()->ViewInfo()) : nullptr;
  if (!CanScroll() || !record || !record->ViewInfo || !info) return false;
  TRect cell, area;
  record->ViewInfo->GetItemCellBounds(this, cell);
  info->GetCellVisibilityArea(area);
  return cell.Left < area.Left || cell.Top < area.Top || cell.Right > area.Right || cell.Bottom > area.Bottom;
}

bool TcxCustomGridTableItem::CanEdit() {
  TcxCustomGridTableView* view = GridView();
  TcxCustomGridTableController* c = TableControllerOf(view);
  if (!c || !Options()->Editing() || !view->TableOptionsData()->Editing()) return false;
  TcxCustomGridRecord* record = c->FocusedRecord();
  if (!record || !CanFocus(record) || !record->IsDataRecord()) return false;
  // Only asks whether the data can be modified in place; starting the edit (which puts the
  // data set into edit mode) is the editing controller's business once a value changes.
  int state = view->DataController()->GetEditState();
  return (state & dceModify) && (state & dceInplace);
}

bool TcxCustomGridTableItem::Focused() const {
  TcxCustomGridTableController* c = TableControllerOf(GridView());
  return c && c->FocusedItem() == this;
}

void TcxCustomGridTableItem::SetFocused(bool value) {
  TcxCustomGridTableController* c = TableControllerOf(GridView());
  if (!c) return;
  if (value) {
    c->ChangeFocusedItem(this);
    return;
  }
  if (!Focused()) return;
  // The focus passes to the next focusable item after this one, without wrapping; a hidden item
  // starts the walk at the place it had among the visible ones.
  TcxCustomGridTableView* view = GridView();
  Integer from = VisibleIndex();
  if (from < 0)
    for (Integer i = 0; i < view->VisibleItemCount(); ++i)
      if (view->VisibleItems(i)->Index() < Index()) from = i;
  bool cycled = false;
  const Integer next = c->FindNextItem(from, true, false, cycled, c->FocusedRecord());
  c->ChangeFocusedItem(next >= 0 ? view->VisibleItems(next) : nullptr);
}

bool TcxCustomGridTableItem::Editing() const {
  TcxCustomGridTableController* c = TableControllerOf(GridView());
  return c && c->EditingController()->EditingItem() == this;
}

void TcxCustomGridTableItem::SetEditing(bool value) {
  TcxCustomGridTableController* c = TableControllerOf(GridView());
  if (!c) return;
  if (value)
    c->EditingController()->SetEditingItem(this);
  else if (Editing())
    c->EditingController()->SetEditingItem(nullptr);
}

bool TcxCustomGridTableItem::CanAutoHeight() {
  return GridView() && GridView()->TableOptionsView()->CellAutoHeight();
}

bool TcxCustomGridTableItem::ShowButtons(bool focusedRecord) {
  switch (Options()->ShowEditButtons()) {
    case isebAlways: return true;
    case isebNever: return false;
    default: break;
  }
  TcxGridShowEditButtons mode = GridView()->TableOptionsView()->ShowEditButtons();
  return mode == gsebAlways || (mode == gsebForFocusedRecord && focusedRecord);
}

int TcxCustomGridTableItem::EditValueSource(TcxCustomGridRecord* record) {
  TcxCustomEditProperties* p = GetPropertiesForRecord(record);
  return p ? p->EditValueSource(true) : 0;
}

Variant TcxCustomGridTableItem::GetEditValue(TcxCustomGridRecord* record) {
  if (!record) return Null();
  TcxCustomDataController* dc = GridView()->DataController();
  // The focused record's value as the editor takes it (a lookup field's key, not its text).
  if (record->Focused()) return dc->GetEditValue(Index(), EditValueSource(record));
  return record->GetValue(Index());
}

void TcxCustomGridTableItem::SetEditValue(TcxCustomGridRecord* record, const Variant& value) {
  if (!record) return;
  TcxCustomDataController* dc = GridView()->DataController();
  if (record->Focused()) {
    dc->SetEditValue(Index(), value, EditValueSource(record));
  } else {
    record->SetValue(Index(), value);
  }
}

void TcxCustomGridTableOptionsBehavior::SetIncSearch(bool v) {
  if (v == incSearch_) return;
  if (!v)
    if (TcxCustomGridTableController* c = TableControllerOf(GridView())) c->CancelIncSearching();
  incSearch_ = v;
  Changed(0);
}

void TcxCustomGridTableOptionsBehavior::SetIncSearchItem(TcxCustomGridTableItem* v) {
  if (v == incSearchItem_) return;
  incSearchItem_ = v;
  Changed(0);
}

TClass TcxCustomGridTableView::GetControllerClass() { return TcxCustomGridTableController::StaticClass(); }
TClass TcxCustomGridTableView::GetPainterClass() { return TcxCustomGridTablePainter::StaticClass(); }

bool TcxCustomGridTableView::IsRecordSelectionShown(TcxCustomGridRecord* record) {
  return record && record->Selected() && (IsFocused() || TableOptionsSelection()->MultiSelect());
}

bool TcxCustomGridTableView::IsCellDrawnSelected(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                                 TcxCustomGridCellViewInfo* cell) {
  TcxCustomGridTableController* c = TableControllerOf(this);
  auto* selection = TableOptionsSelection();
  if (!record->HasCells() || !selection->CellSelect()) return true;
  bool active = record->Focused() && IsFocused();
  if (selection->InvertSelect()) return !(item && c && c->FocusedItem() == item && active);
  if (!selection->MultiSelect() && !(item && c && c->FocusedItem() == item && active)) return false;
  if (item && c && c->EditingController()->EditingItem() == item && record->Focused()) return false;
  return true;
}

bool TcxCustomGridTableView::IsCellPaintedSelected(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                                   TcxCustomGridCellViewInfo* cell) {
  if (!record || !IsRecordSelectionShown(record) || !IsCellDrawnSelected(record, item, cell)) return false;
  return IsControlFocused() || !TableOptionsSelection()->HideSelection();
}

// ---- controller -----------------------------------------------------------------------------------------

TcxCustomGridTableController::TcxCustomGridTableController(TcxCustomGridView* gridView)
    : TcxCustomGridController(gridView) {
  editingController_ = static_cast<TcxGridEditingController*>(GetEditingControllerClass()->Create(this));
}

TcxCustomGridTableController::~TcxCustomGridTableController() {
  FreePopups();
  StopPullFocusing();
  SetDragScrollDirection(0);
  SetScrollDirection(0);
  StopGridModeSyncTimer();
  delete editingController_;
}

TcxCustomGridTableView* TcxCustomGridTableController::TableView() const {
  return static_cast<TcxCustomGridTableView*>(GridView());
}

TcxCustomGridTableViewData* TcxCustomGridTableController::TableViewData() const { return TableView()->TableViewData(); }

TcxCustomGridTableViewInfo* TcxCustomGridTableController::TableViewInfo() const {
  return dynamic_cast<TcxCustomGridTableViewInfo*>(ViewInfo());
}

TcxCustomGridRecord* TcxCustomGridTableController::FocusedRecord() const {
  TcxCustomGridTableViewData* data = TableViewData();
  Integer row = FocusedRowIndex();
  return data && row >= 0 && row < data->CountRecords() ? data->FetchRecord(row) : nullptr;
}

Integer TcxCustomGridTableController::FocusedRowIndex() const {
  return DataController() ? DataController()->FocusedRowIndex() : -1;
}

Integer TcxCustomGridTableController::GetFocusedItemIndex() const {
  return focusedItem_ ? focusedItem_->VisibleIndex() : -1;
}

Integer TcxCustomGridTableController::VisibleRecordCount() const {
  TcxCustomGridTableViewInfo* info = TableViewInfo();
  return info && info->RecordsViewInfo() ? info->RecordsViewInfo()->VisibleCount : 0;
}

TcxCustomGridTableController* TcxCustomGridTableController::GetMasterController() const {
  return GridView()->IsDetailView() ? TableControllerOf(GridView()->MasterGridView()) : nullptr;
}

void TcxCustomGridTableController::ChangeFocusedItem(TcxCustomGridTableItem* item) {
  if (item && !item->CanFocus(FocusedRecord())) return;
  if (item == focusedItem_) {
    MakeFocusedItemVisible();
    return;
  }
  if (!editingController_->SettingItem()) editingController_->HideEdit(true);
  TcxCustomGridTableItem* prev = focusedItem_;
  focusedItem_ = item;
  FocusedItemChanged(prev);
  CheckEdit();
}

void TcxCustomGridTableController::FocusedItemChanged(TcxCustomGridTableItem* prevItem) {
  TcxCustomGridTableView* view = TableView();
  if (view->IsDestroying() || view->ComponentState().Contains(csLoading)) return;
  CancelIncSearching();
  MakeFocusedItemVisible();
  if (TcxCustomGridRecord* record = FocusedRecord())
    if (record->ViewInfo) {
      // After items were shown or hidden the cells keep their old places until the next layout:
      // only a cell that still shows the item is refreshed now.
      for (TcxCustomGridTableItem* item : {prevItem, focusedItem_})
        if (item)
          if (TcxGridTableDataCellViewInfo* cell = record->ViewInfo->GetCellViewInfoByItem(item))
            if (cell->Item() == item) cell->RefreshCell(true);
    }
  // Editing needs a focused item: the navigator's edit button follows its coming and going.
  if (!prevItem || !focusedItem_) view->UpdateNavigatorState();
  if (view->OnFocusedItemChanged) view->OnFocusedItemChanged(view, prevItem, focusedItem_);
}

bool TcxCustomGridTableController::FocusRowAtIndex(Integer row) {
  TcxCustomGridTableViewData* data = TableViewData();
  if (data && data->IsRowIndexInRange(row) && !data->FetchRecord(row)->CanFocus()) return false;
  Integer was = FocusedRowIndex();
  // The grid holds its changes until the data controller is done, so handlers of the focus
  // change (which may even free the view) run outside its notification.
  TcxGridViewWatch watch(GridView());
  TcxCustomGrid* grid = GridView()->Control();
  if (grid) grid->BeginUpdate();
  bool result;
  try {
    result = DataController()->ChangeFocusedRowIndex(row);
  } catch (...) {
    if (grid) grid->EndUpdate();
    throw;
  }
  if (grid) grid->EndUpdate();
  if (!watch.Alive()) return false;
  if (result && FocusOnRecordFocusing) {
    if (was == row) MakeFocusedRecordVisible();
    if (FocusedRecord() && GridView()->Control()) GridView()->Control()->SetFocusedView(GridView());
  }
  return result;
}

void TcxCustomGridTableController::FocusRecord(TcxCustomGridRecord* record) { FocusRowAtIndex(record ? record->Index() : -1); }

void TcxCustomGridTableController::MakeFocusedRecordVisible() {
  if (!Focusing()) MakeRecordVisible(FocusedRecord());
}

void TcxCustomGridTableController::FocusedRecordChanged(Integer prevRow, Integer row, bool newItemRowFocusingChanged) {
  // The data controller also reports its focus when only the record's edit state changed
  // (starting to edit it): the editor then keeps its text.
  if (prevRow == row && !newItemRowFocusingChanged) return;
  if (editingController_->HideEditOnFocusedRecordChange()) editingController_->HideEdit(true);
  TcxCustomDataController* dc = DataController();
  if (!dc->IsSelectionAnchorAssigned() && row >= 0) dc->SetSelectionAnchor(row);
  if (FocusOnRecordFocusing && row >= 0) MakeFocusedRecordVisible();
  TcxCustomGridTableView* view = TableView();
  view->AddChange(new TcxGridFocusedRecordChange(view, prevRow, row, newItemRowFocusingChanged));
  if (editingController_->IsEditing()) {
    // The same editor stays for the next record: refill it and move it (a focus change alone
    // lays nothing out, so the move is asked for here and applied before the next paint).
    editingController_->UpdateEditValue();
    editingController_->PlaceEdit();
  }
  RefreshRecordLooks();
  view->QueueFullRepaint();
  CheckEdit();
}

void TcxGridFocusedRecordChange::Execute() {
  auto* view = dynamic_cast<TcxCustomGridTableView*>(GridView());
  if (!view) return;
  TcxGridViewWatch watch(view);
  if (TcxCustomGrid* grid = view->Control()) grid->SendNotifications(gnkFocusedRecordChanged);
  if (!watch.Alive() || !view->OnFocusedRecordChanged) return;
  TcxCustomGridTableViewData* data = view->TableViewData();
  view->OnFocusedRecordChanged(view, data->RecordAtRowIndex(prevRow_), data->RecordAtRowIndex(row_), newItemRow_);
}

// ---- layout and top record ----------------------------------------------------------------------

void TcxCustomGridTableController::LayoutChanged() {
  if (Site() && Site()->HandleAllocated() && !TableView()->IsDestroying()) Site()->PostMouseMoveAtCursor();
  editingController_->PlaceEdit();
  editingController_->HideUnplacedEdit();
  RefreshScrollBars();
}

void TcxCustomGridTableController::ResetEditPlacement() { editingController_->UnplaceEdit(); }

void TcxCustomGridTableController::SetTopRecordIndex(Integer value) {
  Integer prev = topRecordIndex_;
  topRecordIndex_ = value;
  TcxCustomGridTableView* view = TableView();
  if (value != -1 && value != prev) {
    TcxCustomGridTableViewInfo* info = TableViewInfo();
    TcxCustomGrid* grid = view->Control();
    Integer delta = value - prev;
    if (info && info->RecordsViewInfo() && (!grid || !grid->IsLocked()) && info->CanOffsetRecords(delta)) {
      // The layout shifts; the screen scrolls by the pixels the kept records move.
      TcxCustomGridRecordsViewInfo* records = info->RecordsViewInfo();
      Integer before = records->Count() > std::abs(delta) && delta > 0 ? records->Items(delta)->Bounds.Top : 0;
      info->OffsetView(delta, 0, 0);
      auto* painter = dynamic_cast<TcxCustomGridTablePainter*>(view->Painter());
      if (painter && delta > 0 && records->Count() > 0) {
        Integer dy = records->Items(0)->Bounds.Top - before;
        painter->ScrollWindowArea(0, dy, records->Bounds);
      } else if (view->Painter()) {
        view->Painter()->Invalidate();
      }
    } else if (view->IsMasterView()) {
      view->QueueSizeChange(false, false);
    } else {
      view->QueueLayoutChange();
    }
  }
  if (view->OnTopRecordIndexChanged) view->OnTopRecordIndexChanged(view);
}

void TcxCustomGridTableController::SetTopRecordIndexChecked(Integer value) {
  CheckTopRecordIndex(value);
  SetTopRecordIndex(value);
}

Integer TcxCustomGridTableController::GetMaxTopRecordIndex() {
  Integer count = TableViewData()->CountRecords();
  if (count == 0) return 0;
  return std::max(0, count - GetPageRecordCount(count - 1, false));
}

void TcxCustomGridTableController::CheckTopRecordIndex(Integer& value) {
  if (checkingTopIndex_) return;
  checkingTopIndex_ = true;
  Finally done{[this] { checkingTopIndex_ = false; }};
  TcxCustomDataController* dc = DataController();
  TcxDBDataController* gridMode = IsInserting(dc) ? nullptr : GridModeController(dc);
  Integer count = TableViewData()->CountRecords();
  if (value < 0) {
    if (gridMode && !dc->IsBOF()) gridMode->ScrollInGridMode(value);
    value = 0;
    return;
  }
  if (count == 0) {
    value = 0;
    return;
  }
  if (value > count - 1) {
    if (gridMode && !dc->IsEOF()) gridMode->ScrollInGridMode(value - (count - 1));
    value = count - 1;
  }
  if (!gridMode && value == topRecordIndex_ && TableViewInfo() &&
      value + VisibleRecordCount() >= count)
    return;
  Integer max = GetMaxTopRecordIndex();
  if (value > max) {
    if (gridMode && !dc->IsEOF()) {
      gridMode->ScrollInGridMode(value - max);
      max = GetMaxTopRecordIndex();
    }
    value = std::min(value, max);
  }
}

Integer TcxCustomGridTableController::GetPageRecordCount(Integer first, bool downwards) {
  TcxCustomGridTableViewInfo* info = TableViewInfo();
  if (!info || info->ClientBounds().IsEmpty()) return 0;
  TcxCustomGridRecordsViewInfo* records = info->RecordsViewInfo();
  Integer count = TableViewData()->CountRecords();
  Integer available = downwards ? count - first : first + 1;
  if (records && !records->HasVariableRecordHeight() && records->GetRecordsPerPage() > 0)
    return std::min(records->GetRecordsPerPage(), available);
  // A temporary layout from that record in that direction: it lays out only what fits.
  std::unique_ptr<TcxCustomGridTableViewInfo> temp(
      static_cast<TcxCustomGridTableViewInfo*>(GridView()->GetViewInfoClass()->Create(GridView())));
  temp->FirstRecordIndexOverride = first;
  temp->CalculateDown = downwards;
  temp->SetInternal(true);
  temp->SetClientBounds(info->TcxCustomGridViewInfo::GetClientBounds());
  temp->CreatePartViewInfos();
  temp->Calculate();
  ++TemporaryLayoutCount;
  Integer result = temp->RecordsViewInfo()->VisibleCount;
  info->CalculateDown = true;
  return result;
}

void TcxCustomGridTableController::MakeRecordVisible(TcxCustomGridRecord* record) {
  if (!record || !GridView()->Control()) return;
  Integer row = record->Index();
  if (row < 0) return;
  if (row < topRecordIndex_) {
    SetTopRecordIndexChecked(row);
    return;
  }
  Integer visible = VisibleRecordCount();
  if (visible == 0) return;
  if (row < topRecordIndex_ + visible) return;
  TcxGridSite* site = Site();
  if (site) site->BeginScrollBarsUpdate();
  Finally unlock{[&] {
    if (site) site->EndScrollBarsUpdate();
  }};
  // One measured page ending at the record sets the top; a few more steps only when a
  // record partly shown still leaves it outside (bounded whatever the record count).
  for (Integer step = 0; step < 3; ++step) {
    Integer top = row - GetPageRecordCount(row, false) + 1;
    Integer was = topRecordIndex_;
    SetTopRecordIndexChecked(top);
    visible = VisibleRecordCount();
    if ((row >= topRecordIndex_ && row < topRecordIndex_ + std::max(visible, 1)) || topRecordIndex_ == was) break;
  }
}

Integer TcxCustomGridTableController::GetScrollBarOffsetBegin() {
  TcxCustomDataController* dc = DataController();
  return dc->IsGridMode() && !dc->IsBOF() ? 1 : 0;
}

Integer TcxCustomGridTableController::GetScrollBarOffsetEnd() {
  TcxCustomDataController* dc = DataController();
  return dc->IsGridMode() && !dc->IsEOF() ? 1 : 0;
}

Integer TcxCustomGridTableController::GetScrollBarPos() {
  if (auto* services = TableView()->DataControllerServices()) {
    Integer pos = services->GetScrollBarPosition();
    if (pos != -1) return pos;
  }
  return GetScrollBarOffsetBegin() + topRecordIndex_;
}

Integer TcxCustomGridTableController::GetScrollBarRecordCount() {
  if (auto* services = TableView()->DataControllerServices()) {
    Integer count = services->GetScrollBarRecordCount();
    if (count != -1) return count;
  }
  return GetScrollBarOffsetBegin() + TableViewData()->CountRecords() + GetScrollBarOffsetEnd();
}

void TcxCustomGridTableController::SetScrollBarPos(Integer position) {
  if (auto* services = TableView()->DataControllerServices())
    if (services->SetScrollBarPosition(position)) return;
  if (DataController()->IsGridMode())
    SetTopRecordIndexChecked(position - GetScrollBarOffsetBegin());
  else
    SetTopRecordIndex(position);
}

bool TcxCustomGridTableController::CanHScrollBarHide() {
  auto* info = dynamic_cast<TcxCustomGridTableViewInfo*>(ViewInfo());
  return !info || !info->IsNavigatorSiteShown();
}

void TcxCustomGridTableController::InitScrollBarsParameters() {
  SetScrollBarInfo(sbHorizontal, 0, -1, 1, 1, 0, true, true);
  SetScrollBarInfo(sbVertical, 0, GetScrollBarRecordCount() - 1, 1, std::max(VisibleRecordCount(), 1),
                   GetScrollBarPos(), true, true);
}

void TcxCustomGridTableController::Scroll(TScrollBarKind kind, TScrollCode code, Integer& pos) {
  if (kind != sbVertical) return;
  switch (code) {
    case scLineUp: ScrollRecords(false, 1); break;
    case scLineDown: ScrollRecords(true, 1); break;
    case scPageUp: ScrollPage(false); break;
    case scPageDown: ScrollPage(true); break;
    case scTrack:
    case scPosition: SetScrollBarPos(pos); break;
    default: break;
  }
  pos = GetScrollBarPos();
}

bool TcxCustomGridTableController::AllRecordsFit() { return VisibleRecordCount() == TableViewData()->CountRecords(); }

void TcxCustomGridTableController::ScrollPage(bool down) {
  if (auto* services = TableView()->DataControllerServices())
    if (services->ScrollPage(down)) return;
  if (down)
    ShowNextPage();
  else
    ShowPrevPage();
}

void TcxCustomGridTableController::ScrollRecords(bool down, Integer count) {
  if (auto* services = TableView()->DataControllerServices())
    if (services->ScrollRecord(down) && count == 1) return;
  SetTopRecordIndexChecked(topRecordIndex_ + (down ? count : -count));
}

void TcxCustomGridTableController::ShowNextPage() {
  SetTopRecordIndexChecked(topRecordIndex_ + std::max(VisibleRecordCount(), 1));
}

void TcxCustomGridTableController::ShowPrevPage() {
  SetTopRecordIndexChecked(topRecordIndex_ - std::max(GetPageRecordCount(topRecordIndex_ - 1, false), 1));
}

void TcxCustomGridTableController::FocusNextPage(bool select) {
  if (TableViewData()->CountRecords() == 0) return;
  MakeFocusedRecordVisible();
  if (FocusedRowIndex() == topRecordIndex_ + VisibleRecordCount() - 1) ShowNextPage();
  FocusPageRow(topRecordIndex_ + VisibleRecordCount() - 1, select);
}

void TcxCustomGridTableController::FocusPrevPage(bool select) {
  if (TableViewData()->CountRecords() == 0) return;
  MakeFocusedRecordVisible();
  if (FocusedRowIndex() == topRecordIndex_) ShowPrevPage();
  FocusPageRow(topRecordIndex_, select);
}

void TcxCustomGridTableController::FocusPageRow(Integer row, bool select) {
  TcxGridViewWatch watch(GridView());
  bool focused = FocusRowAtIndex(row);
  if (!watch.Alive()) return;
  if (focused && select && SupportsMultiSelect(true) && FocusedRowIndex() == row) SelectAtAnchor(true);
  if (Site()) Site()->Update();
}

// ---- moving the focus -----------------------------------------------------------------------------

Integer TcxCustomGridTableController::FindNextFocusableRecordIndex(Integer row, bool forward, bool cycle, bool& cycled) {
  TcxCustomDataController* dc = DataController();
  TcxCustomGridTableViewData* data = TableViewData();
  if (TcxDBDataController* gridMode = GridModeController(dc)) {
    if (forward && row == data->CountRecords() - 1 && !dc->IsEOF()) {
      gridMode->ScrollInGridMode(1);
      if (!dc->IsEOF()) --row;
    } else if (!forward && row == 0 && !dc->IsBOF()) {
      gridMode->ScrollInGridMode(-1);
      if (!dc->IsBOF()) ++row;
    }
  }
  return FindNextIndex(row, data->CountRecords(), forward, cycle,
                       [&](Integer i) { return data->FetchRecord(i)->CanFocus(); }, cycled);
}

bool TcxCustomGridTableController::PrepareRecordMove(Integer& row, bool forward, TcxGridListenerLink* link) {
  TcxCustomDataController* dc = DataController();
  if (!dc->IsEditing()) return false;
  editingController_->UpdateValue();
  if (!link->GridView()) return true;
  if (!IsModified(dc)) {
    if (IsInserting(dc) && !(dc->GetEditFlags() & dceChanging) &&
        ((forward && !dc->IsEOF()) || (!forward && dc->IsEOF()))) {
      dc->Cancel();
      return true;
    }
    return false;
  }
  dc->Post();
  if (!link->GridView()) return true;
  row = FocusedRowIndex();
  return false;
}

bool TcxCustomGridTableController::FocusNextFocusableRecord(Integer row, bool forward, bool cycle, bool intoDetails,
                                                            bool outOfDetails) {
  TcxGridViewWatch watch(GridView());
  bool wasFocusedView = GridView()->IsFocused();
  TcxCustomGridRecord* before = FocusedRecord();
  if (PrepareRecordMove(row, forward, watch.Link())) return true;
  TcxCustomDataController* dc = DataController();
  if (dc->IsGridMode() && row == -1) {
    if (forward)
      dc->GotoFirst();
    else if (cycle)
      dc->GotoLast();
    if (!watch.Alive()) return true;
  }
  TcxCustomGridTableViewData* data = TableViewData();
  // Forward from an expanded master record: into its details.
  TcxCustomGridRecord* candidate = nullptr;
  if (forward && intoDetails && GridView()->IsMasterView() && data && data->IsRowIndexInRange(row))
    candidate = data->FetchRecord(row)->GetFirstChildToFocus();
  if (!candidate) {
    bool cycled = false;
    Integer found = FindNextFocusableRecordIndex(row, forward, cycle, cycled);
    if (found == -1) {
      if (forward && TableView()->TableOptionsData()->Appending() && CanAppend()) {
        CreateNewRecord(true);
        return true;
      }
      if (outOfDetails && !dc->IsGridMode())
        if (TcxCustomGridTableController* master = GetMasterController()) {
          // Backward out of the details: the master record itself.
          auto* masterView = dynamic_cast<TcxCustomGridTableView*>(GridView()->MasterGridView());
          TcxCustomGridRecord* masterRecord =
              !forward && masterView && masterView->TableViewData()
                  ? masterView->TableViewData()->RecordByRecordIndex(dc->GetMasterRecordIndex())
                  : nullptr;
          if (masterRecord && masterRecord->CanFocus()) {
            masterRecord->SetFocused(true);
            return true;
          }
          return master->FocusNextFocusableRecord(master->FocusedRowIndex(), forward, cycle, !forward, true);
        }
      return false;
    }
    // Backward onto an expanded master record: the last record inside its details.
    if (!forward && intoDetails && GridView()->IsMasterView() && data)
      candidate = data->FetchRecord(found)->GetLastChildToFocus(true);
    if (!candidate) candidate = data ? data->FetchRecord(found) : nullptr;
  }
  if (!candidate) return false;
  // A record of a detail focuses itself through its own view.
  if (candidate->GridView() != GridView()) {
    candidate->SetFocused(true);
    return true;
  }
  bool result = FocusRowAtIndex(candidate->Index());
  if (watch.Alive() && result && GridView()->IsFocused() != wasFocusedView && before)
    CheckFocusedRecordSelectionWhenExit(before);
  return result;
}

bool TcxCustomGridTableController::GoToRecord(Integer row, bool forward, bool cycle, bool throughDetails, bool select) {
  TcxGridViewWatch watch(GridView());
  bool result = FocusNextFocusableRecord(row, forward, cycle, throughDetails, throughDetails);
  if (!watch.Alive()) return result;
  if (result && select && SupportsMultiSelect(true)) SelectAtAnchor(true);
  return result;
}

bool TcxCustomGridTableController::IsAtFirstRecord() {
  TcxCustomDataController* dc = DataController();
  if (dc->IsGridMode()) return dc->IsBOF();
  bool cycled;
  return FindNextIndex(FocusedRowIndex(), TableViewData()->CountRecords(), false, false,
                       [&](Integer i) { return TableViewData()->FetchRecord(i)->CanFocus(); }, cycled) == -1;
}

bool TcxCustomGridTableController::IsAtLastRecord() {
  TcxCustomDataController* dc = DataController();
  if (dc->IsGridMode()) return dc->IsEOF();
  bool cycled;
  return FindNextIndex(FocusedRowIndex(), TableViewData()->CountRecords(), true, false,
                       [&](Integer i) { return TableViewData()->FetchRecord(i)->CanFocus(); }, cycled) == -1;
}

Integer TcxCustomGridTableController::FindNextItem(Integer index, bool forward, bool cycle, bool& cycled,
                                                   TcxCustomGridRecord* record) {
  TcxCustomGridTableView* view = TableView();
  return FindNextIndex(index, view->VisibleItemCount(), forward, cycle,
                       [&](Integer i) { return view->VisibleItems(i)->CanFocus(record); }, cycled);
}

bool TcxCustomGridTableController::HasFocusableCells(TcxCustomGridRecord* record) {
  return record && record->HasCells() && TableView()->TableOptionsSelection()->CellSelect();
}

bool TcxCustomGridTableController::FocusNextItem(Integer index, bool forward, bool cycleInRecord, bool nextRecordOnCycle) {
  bool cycled = false;
  Integer next = FindNextItem(index, forward, cycleInRecord || nextRecordOnCycle, cycled, FocusedRecord());
  if (!CanFocusNextItem(index, next, forward, cycleInRecord, nextRecordOnCycle)) return false;
  if (cycled && nextRecordOnCycle) {
    TcxCustomGridRecord* record = FocusedRecord();
    if (record && record->IsNewItemRecord()) {
      DataController()->Post();
      if (TcxCustomGridRecord* again = TableViewData()->NewItemRecord()) again->SetFocused(true);
    } else {
      TcxGridViewWatch watch(GridView());
      if (!FocusNextFocusableRecord(FocusedRowIndex(), forward, false, false, false)) return false;
      if (!watch.Alive() || !HasFocusableCells(FocusedRecord())) return false;
    }
  }
  if (next < 0 || next >= TableView()->VisibleItemCount()) return false;
  ChangeFocusedItem(TableView()->VisibleItems(next));
  return true;
}

bool TcxCustomGridTableController::FocusNextCell(bool forward, bool keepRecord, bool mayChangeRecord) {
  auto* behavior = TableView()->TableOptionsBehavior();
  if (HasFocusableCells(FocusedRecord()))
    return FocusNextItem(GetFocusedItemIndex(), forward, false, mayChangeRecord && behavior->FocusCellOnCycle());
  if (keepRecord || !behavior->FocusCellOnCycle()) return false;
  TcxGridViewWatch watch(GridView());
  if (!FocusNextFocusableRecord(FocusedRowIndex(), forward, false, false, false)) return false;
  if (watch.Alive() && HasFocusableCells(FocusedRecord())) FocusNextItem(-1, forward, true, false);
  return true;
}

// ---- new and deleted records ----------------------------------------------------------------------

bool TcxCustomGridTableController::CanAppend() {
  TcxCustomDataController* dc = DataController();
  return (dc->GetEditState() & dceAppend) && !IsInserting(dc);
}

bool TcxCustomGridTableController::CanDelete(bool checkOptions) {
  return (DataController()->GetEditState() & dceDelete) &&
         (!checkOptions || TableView()->TableOptionsData()->Deleting());
}

bool TcxCustomGridTableController::CanEdit() {
  return focusedItem_ && TableView()->TableOptionsData()->Editing() &&
         (DataController()->GetEditState() & dceModify) && (DataController()->GetEditState() & dceInplace);
}

bool TcxCustomGridTableController::CanInsert(bool checkOptions) {
  return (DataController()->GetEditState() & dceInsert) &&
         (!checkOptions || TableView()->TableOptionsData()->Inserting());
}

bool TcxCustomGridTableController::CanCancelOnExit() {
  TcxCustomDataController* dc = DataController();
  return TableView()->TableOptionsData()->CancelOnExit() && IsInserting(dc) &&
         !(dc->GetEditFlags() & (dceChanging | dceModified)) && !IsModified(dc);
}

void TcxCustomGridTableController::CreateNewRecord(bool atEnd) {
  bool wasEditing = IsEditing();
  TcxCustomDataController* dc = DataController();
  if (atEnd && CanAppend()) {
    dc->Append();
  } else if (CanInsert(false)) {
    dc->Insert();
    if (TableView()->TableOptionsSelection()->MultiSelect())
      if (TcxCustomGridRecord* r = TableViewData()->GetEditingRecord()) ChangeRecordSelection(r, true);
  }
  if (IsInserting(dc) && TableView()->TableOptionsBehavior()->FocusFirstCellOnNewRecord()) {
    FocusFirstItem();
    if (wasEditing) editingController_->ShowEditActivate(nullptr);
  }
}

void TcxCustomGridTableController::DeleteSelection() {
  if (!CanDelete(false)) return;
  TcxCustomDataController* dc = DataController();
  Integer selected = dc->CountSelectedRows();
  bool many = TableView()->TableOptionsSelection()->MultiSelect() && selected > 0 &&
              (selected > 1 || dc->GetSelectedRowIndex(0) != FocusedRowIndex());
  if (TableView()->TableOptionsData()->DeletingConfirmation()) {
    String text = LoadReplaceableResString(many ? scxGridConfirmDeleteMany : scxGridConfirmDelete);
    if (Application->MessageBox(text, LoadReplaceableResString(scxGridConfirm), MB_OKCANCEL | MB_ICONQUESTION) !=
        IDOK)
      return;
  }
  if (many)
    dc->DeleteSelection();
  else
    dc->DeleteFocused();
}

// ---- selection --------------------------------------------------------------------------------------

bool TcxCustomGridTableController::IsRecordSelected(TcxCustomGridRecord* record) { return record && record->Selected(); }

void TcxCustomGridTableController::ChangeRecordSelection(TcxCustomGridRecord* record, bool value) {
  if (record && TableView()->TableOptionsSelection()->MultiSelect())
    DataController()->ChangeRowSelection(record->Index(), value);
}

Integer TcxCustomGridTableController::GetSelectedRecordCount() { return DataController()->CountSelectedRows(); }

TcxCustomGridRecord* TcxCustomGridTableController::GetSelectedRecord(Integer index) {
  return TableViewData()->RecordAtRowIndex(DataController()->GetSelectedRowIndex(index));
}

void TcxCustomGridTableController::SetSelectionAnchor(Integer row) { DataController()->SetSelectionAnchor(row); }

void TcxCustomGridTableController::SelectAtAnchor(bool select) {
  Integer row = FocusedRowIndex();
  if (row < 0) return;
  DataController()->SetSelectionAnchor(row);
  if (select) SelectFocusedRecordOnly();
}

void TcxCustomGridTableController::ClearSelection() { DataController()->ClearSelection(); }
void TcxCustomGridTableController::SelectAll() { DataController()->SelectAll(); }

void TcxCustomGridTableController::InvalidateFocusedRecord() {
  RefreshRecordLooks();
  if (TcxCustomGridRecord* record = FocusedRecord())
    if (record->ViewInfo) record->ViewInfo->Invalidate();
}

// The selected records take the active or the inactive selection look.
void TcxCustomGridTableController::InvalidateSelection() {
  RefreshRecordLooks();
  if (GridView()->Painter()) GridView()->Painter()->Invalidate();
}

void TcxCustomGridTableController::RefreshRecordLooks() { recordLooksPending_ = true; }

// Cells take their colours when they are calculated: the shown records are calculated again
// in their places.
void TcxCustomGridTableController::ApplyRecordLooks() {
  if (!recordLooksPending_) return;
  TcxCustomGridTableViewInfo* info = TableViewInfo();
  TcxCustomGrid* grid = GridView()->Control();
  if (!info || info->Calculating() || !TableView()->CanUpdateLayout() || (grid && grid->IsLocked())) return;
  recordLooksPending_ = false;
  if (TcxCustomGridRecordsViewInfo* records = info->RecordsViewInfo())
    for (Integer i = 0; i < records->Count(); ++i)
      if (records->Items(i)->GridRecord()) records->Items(i)->Recalculate();
}

void TcxCustomGridTableController::CheckFocusedRecordSelectionWhenExit(TcxCustomGridRecord* record) {
  auto* selection = TableView()->TableOptionsSelection();
  if (record && selection->MultiSelect() && selection->UnselectFocusedRecordOnExit() &&
      DataController()->CountSelectedRows() == 1 && record->Selected())
    ChangeRecordSelection(record, false);
}

void TcxCustomGridTableController::ItemRemoved(TcxCustomGridTableItem* item) {
  if (editingController_->EditingItem() == item) editingController_->HideEdit(false);
  if (focusedItem_ == item) focusedItem_ = nullptr;
  if (GetIncSearchedItem() == item) CancelIncSearching();
  if (TableView()->TableOptionsBehavior()->IncSearchItem() == item) TableView()->TableOptionsBehavior()->SetIncSearchItem(nullptr);
}

// ---- incremental search -------------------------------------------------------------------------

bool TcxCustomGridTableController::IsIncSearching() {
  return DataController()->Search() && DataController()->Search()->Searching();
}

String TcxCustomGridTableController::GetIncSearchText() {
  return IsIncSearching() ? DataController()->Search()->SearchText() : String();
}

TcxCustomGridTableItem* TcxCustomGridTableController::GetIncSearchedItem() {
  if (!IsIncSearching()) return nullptr;
  Integer index = DataController()->Search()->ItemIndex();
  return index >= 0 && index < TableView()->ItemCount() ? TableView()->Items(index) : nullptr;
}

TcxCustomGridTableItem* TcxCustomGridTableController::GetIncSearchingItem() {
  TcxCustomGridTableView* view = TableView();
  if (view->TableOptionsSelection()->CellSelect()) return focusedItem_;
  if (view->TableOptionsBehavior()->IncSearchItem()) return view->TableOptionsBehavior()->IncSearchItem();
  return view->VisibleItemCount() > 0 ? view->VisibleItems(0) : nullptr;
}

void TcxCustomGridTableController::SetIncSearchText(const String& text) {
  if (text == GetIncSearchText()) return;
  TcxCustomGridTableItem* item = IsIncSearching() ? GetIncSearchedItem() : GetIncSearchingItem();
  if (!item) return;
  if (text.empty())
    CancelIncSearching();
  else
    DataController()->Search()->Locate(item->Index(), text);
}

void TcxCustomGridTableController::CancelIncSearching() {
  if (IsIncSearching()) DataController()->Search()->Cancel();
}

void TcxCustomGridTableController::ProcessIncSearchKeyDown(Word& key, TShiftState shift) {
  switch (key) {
    case VK_BACK: {
      String text = GetIncSearchText();
      Integer chars = CharCount(text);
      SetIncSearchText(chars > 1 ? CopyChars(text, 1, chars - 1) : String());
      key = 0;
      break;
    }
    case VK_ESCAPE:
      CancelIncSearching();
      key = 0;
      break;
    case VK_UP:
    case VK_DOWN:
      if (shift == TShiftState{ssCtrl}) {
        DataController()->Search()->LocateNext(key == VK_DOWN);
        key = 0;
      }
      break;
    default: break;
  }
}

// ---- keyboard ---------------------------------------------------------------------------------------

// Keys an in-place editor did not use itself and hands on: Tab when it moves between cells, and
// the keys the controller claims as its own (page keys here; arrows, Home and End in the
// descendants). Space is typed into the editor, never taken for the selection.
bool TcxCustomGridTableController::IsEditorNavigationKey(Word key, TShiftState shift) {
  if (key == VK_TAB) return TableView()->TableOptionsBehavior()->FocusCellOnTab();
  return key != VK_SPACE && IsKeyForController(key, shift, false);
}

void TcxCustomGridTableController::FocusNextControl(bool forward) {
  // Only while the grid (or a window in it) holds the focus.
  TcxCustomGrid* grid = GridView()->Control();
  if (grid && HoldsInputFocus(grid)) grid->FocusNextControl(forward);
}

void TcxCustomGridTableController::KeyDown(Word& key, TShiftState shift) {
  TcxGridViewWatch watch(GridView());
  Integer top = topRecordIndex_;
  if (IsIncSearching()) {
    ProcessIncSearchKeyDown(key, shift);
    if (!watch.Alive()) {
      key = 0;
      return;
    }
  }
  Integer row = FocusedRowIndex();
  if (key != 0) HandleKeyDown(key, shift);
  if (!watch.Alive()) {
    key = 0;
    return;
  }
  if (IsSelectionKey(key, shift, row != FocusedRowIndex())) DoKeyboardSelection(key, shift);
  if (!watch.Alive()) {
    key = 0;
    return;
  }
  if (top != topRecordIndex_ && Site()) Site()->Update();
}

void TcxCustomGridTableController::HandleKeyDown(Word& key, TShiftState shift) {
  TcxGridViewWatch watch(GridView());
  TcxCustomGridTableView* view = TableView();
  if (!SuppressRecordKeys)
    if (TcxCustomGridRecord* record = FocusedRecord()) {
      record->KeyDown(key, shift);
      if (!watch.Alive() || key == 0) return;
    }
  auto* behavior = view->TableOptionsBehavior();
  const bool plain = shift.Empty();
  const bool shiftOnly = shift == TShiftState{ssShift};
  const bool ctrl = shift == TShiftState{ssCtrl};
  switch (key) {
    case VK_TAB:
      if (!behavior->FocusCellOnTab()) break;
      if (plain || shiftOnly) {
        if (FocusNextCell(plain, false, true)) {
          key = 0;
        } else if (watch.Alive() && !IsEditing()) {
          FocusNextControl(plain);
          key = 0;
        }
      } else if (ctrl || shift == TShiftState{ssCtrl, ssShift}) {
        FocusNextControl(ctrl);
        key = 0;
      }
      break;
    case VK_RETURN:
      if (behavior->GoToNextCellOnEnter() && (plain || shiftOnly)) {
        FocusNextCell(plain, false, true);
        key = 0;
      }
      break;
    case VK_ESCAPE:
      if (DataController()->IsEditing()) {
        DataController()->Cancel();
        if (watch.Alive() && !DataController()->IsEditing() && view->TableOptionsSelection()->MultiSelect())
          if (TcxCustomGridRecord* r = FocusedRecord()) ChangeRecordSelection(r, true);
      }
      break;
    // Page keys stay unconsumed: with Shift the selection then spans from the anchor.
    case VK_PRIOR:
      FocusPrevPage(false);
      break;
    case VK_NEXT:
      FocusNextPage(false);
      break;
    case VK_INSERT:
      if (plain && CanInsert(true)) {
        CreateNewRecord(false);
        key = 0;
      } else if (ctrl && !IsEditing()) {
        view->CopyToClipboard(false);
        key = 0;
      }
      break;
    case VK_DELETE:
      if ((plain || ctrl) && CanDelete(true)) {
        DeleteSelection();
        key = 0;
      }
      break;
    case 'A':
      if (ctrl) {
        SelectAll();
        key = 0;
      }
      break;
    case 'C':
      if (ctrl && !IsEditing()) {
        view->CopyToClipboard(false);
        key = 0;
      }
      break;
    default: break;
  }
}

void TcxCustomGridTableController::KeyPress(char32_t& key) {
  if (EatKeyPress) {
    EatKeyPress = false;
    key = 0;
    return;
  }
  TcxCustomGridTableItem* item = GetIncSearchingItem();
  if ((key == 8 || key > 31) && item && item->CanIncSearch() && TableView()->TableOptionsBehavior()->IncSearch() &&
      !DataController()->IsEditing()) {
    if (key != 8) {
      String text = GetIncSearchText();
      AppendUtf8(text, key);
      SetIncSearchText(text);
    }
    key = 0;
  }
  if (key == 0) return;
  if (TcxCustomGridRecord* record = FocusedRecord()) record->KeyPress(key);
}

bool TcxCustomGridTableController::ProcessDialogChar(Word charCode) {
  if (TcxCustomGridRecord* record = FocusedRecord())
    if (record->ViewInfo && record->ViewInfo->ProcessDialogChar(charCode)) return true;
  return TcxCustomGridController::ProcessDialogChar(charCode);
}

// ---- focus, painting, drag ---------------------------------------------------------------------

void TcxCustomGridTableController::CheckEdit() {
  CheckEditNeeded = false;
  if (!AllowCheckEdit || !TableView()->TableOptionsBehavior()->AlwaysShowEditor()) return;
  TcxCustomGrid* grid = GridView()->Control();
  if ((grid && grid->IsLocked()) || GridView()->IsUpdateLocked()) {
    CheckEditNeeded = true;
    return;
  }
  editingController_->CheckEditAlwaysShown();
}

void TcxCustomGridTableController::AfterPaint() {
  TcxCustomGridController::AfterPaint();
  if (CheckEditNeeded) CheckEdit();
}

void TcxCustomGridTableController::BeforePaint() {
  TcxCustomGridController::BeforePaint();
  ApplyRecordLooks();
  editingController_->ApplyPendingEditMove();
}

void TcxCustomGridTableController::BeforeFocusLeave() {
  TcxCustomGridTableView* view = TableView();
  editingController_->HideEdit(!view->IsDestroying());
  if (!view->IsDestroying() && DataController()->IsEditing()) {
    SynchronizingOrClicking = true;
    Finally done{[this] { SynchronizingOrClicking = false; }};
    DataController()->EnsureBrowseMode();
  }
  TcxCustomGridController::BeforeFocusLeave();
}

bool TcxCustomGridTableController::CanHandleHitTest(Integer x, Integer y) {
  TcxCustomGridTableViewInfo* info = TableViewInfo();
  if (Site() && Site()->Focused() && IsEditing() && info && info->IsNavigatorSiteShown() &&
      info->NavigatorSiteViewInfo()->Bounds.Contains(TPoint(x, y)))
    return false;
  return true;
}

void TcxCustomGridTableController::FocusDetail(TcxCustomGridView* detail) {
  bool saved = FocusOnRecordFocusing;
  FocusOnRecordFocusing = false;
  Finally restore{[&] { FocusOnRecordFocusing = saved; }};
  if (detail && detail->DataController())
    FocusRowAtIndex(DataController()->RowIndexOfRecord(detail->DataController()->GetMasterRecordIndex()));
}

void TcxCustomGridTableController::DoEnter() {
  if (AllowCheckEdit) CheckEditNeeded = true;
}

void TcxCustomGridTableController::DoExit() {
  if (CanCancelOnExit())
    DataController()->Cancel();
  else
    DataController()->PostEditingData();
  // Leaving the site for another control (not for its own in-place editor).
  if (!IsEditing()) {
    CheckFocusedRecordSelectionWhenExit(FocusedRecord());
    InvalidateFocusedRecord();
  }
  TcxCustomGridController::DoExit();
}

TObject* TcxCustomGridTableController::GetPatternObject(TObject* object) {
  auto* item = dynamic_cast<TcxCustomGridTableItem*>(object);
  auto* pattern = dynamic_cast<TcxCustomGridTableView*>(GridView()->PatternGridView());
  if (item && pattern) return pattern->FindItemByID(item->ID());
  return object;
}

bool TcxCustomGridTableController::IsSiteActionEnabled() {
  if (!Site() || !Site()->Focused() || !IsEditing()) return true;
  if (TableView()->TableOptionsBehavior()->AlwaysShowEditor()) return false;
  return editingController_->Edit() && editingController_->Edit()->ValidateEdit(true);
}

void TcxCustomGridTableController::FocusLost() {
  CheckFocusedRecordSelectionWhenExit(FocusedRecord());
  InvalidateFocusedRecord();
  TcxCustomGridController::FocusLost();
}

void TcxCustomGridTableController::DoFocusChanged(bool focused) {
  if (!editingController_->CanFocusGridSite()) return;
  TcxCustomGridController::DoFocusChanged(focused);
  InvalidateFocusedRecord();
  CheckEditNeeded = true;
}

void TcxCustomGridTableController::ControlFocusChanged() {
  TcxCustomGridController::ControlFocusChanged();
  InvalidateSelection();
}

bool TcxCustomGridTableController::HasFocusedControls() {
  return IsEditing() && HoldsInputFocus(editingController_->Edit());
}

void TcxCustomGridTableController::BeginDragAndDrop() {
  editingController_->HideEdit(true);
  TcxCustomGridController::BeginDragAndDrop();
}

void TcxCustomGridTableController::EndDragAndDrop(bool accepted) {
  SetScrollDirection(0);
  TcxCustomGridController::EndDragAndDrop(accepted);
  CheckEdit();
}

// ---- automatic scrolling and the grid-mode synchronisation ------------------------------------

void TcxCustomGridTableController::SetScrollDirection(Integer direction) {
  if (direction == scrollDirection_) return;
  scrollDirection_ = direction;
  if (scrollTimer_) {
    TcxTimer* timer = scrollTimer_;
    scrollTimer_ = nullptr;
    timer->Free();
  }
  if (direction == 0) return;
  scrollTimer_ = new TcxTimer(nullptr);
  scrollTimer_->SetInterval(Cardinal(GetScrollTimerInterval(direction)));
  scrollTimer_->SetOnTimer([this](TObject* sender) { ScrollTimerTick(sender); });
  scrollTimer_->SetEnabled(true);
}

void TcxCustomGridTableController::ScrollTimerTick(TObject*) {
  if (!CanScrollData(scrollDirection_)) return;
  // The drag image is hidden while the content moves, then drawn where the mouse is now.
  auto* dragObject = IsDragging() ? dynamic_cast<TcxCustomGridDragAndDropObject*>(DragAndDropObject()) : nullptr;
  if (dragObject) dragObject->HideDragImages();
  ScrollData(scrollDirection_);
  if (!dragObject || !Site()) return;
  Site()->Update();
  dragObject->ShowDragImages();
  TPoint cursor;
  QueryCursorPos(cursor);
  bool accepted = false;
  Site()->TrackDragAndDrop(Site()->ScreenToClient(cursor), accepted);
}

void TcxCustomGridTableController::StartGridModeSyncTimer() {
  if (!DataController()->IsGridMode() || gridModeSyncPending_) return;
  gridModeSyncPending_ = true;
  gridModeSyncTimer_ = new TcxTimer(nullptr);
  gridModeSyncTimer_->SetInterval(1);
  gridModeSyncTimer_->SetOnTimer([this](TObject* sender) { GridModeSyncTimerTick(sender); });
  gridModeSyncTimer_->SetEnabled(true);
}

void TcxCustomGridTableController::CheckGridModeSync() {
  if (ViewInfo()->ClientBounds() != gridModeSyncedBounds_) StartGridModeSyncTimer();
}

void TcxCustomGridTableController::StopGridModeSyncTimer() {
  gridModeSyncPending_ = false;
  if (!gridModeSyncTimer_) return;
  TcxTimer* timer = gridModeSyncTimer_;
  gridModeSyncTimer_ = nullptr;
  timer->Free();
}

void TcxCustomGridTableController::GridModeSyncTimerTick(TObject*) {
  if (ViewInfo()->ClientBounds().IsEmpty()) return;
  StopGridModeSyncTimer();
  gridModeSyncedBounds_ = ViewInfo()->ClientBounds();
  if (IcxGridDataControllerServices* services = TableView()->DataControllerServices())
    services->UpdateGridModeBufferCount();
}

void TcxCustomGridTableController::BeforeStartDrag() {
  TcxCustomGridController::BeforeStartDrag();
  TcxCustomDataController* dc = DataController();
  if (!dc->IsEditing()) return;
  if (IsModified(dc))
    dc->Post();
  else
    dc->Cancel();
}

// ---- selection by mouse and keys ----------------------------------------------------------------

bool TcxCustomGridTableController::SupportsMultiSelect(bool onlyFocused) {
  if (!TableView()->TableOptionsSelection()->MultiSelect()) return false;
  if (!onlyFocused) return true;
  TcxCustomGrid* grid = GridView()->Control();
  return !grid || grid->FocusedView() == GridView();
}

bool TcxCustomGridTableController::IsSelectionClick(TcxCustomGridHitTest* hitTest, TShiftState shift) {
  auto* recordHit = dynamic_cast<TcxGridRecordHitTest*>(hitTest);
  return SupportsMultiSelect(false) && recordHit && recordHit->CanClick() && recordHit->GridRecord &&
         recordHit->GridRecord == FocusedRecord();
}

bool TcxCustomGridTableController::IsKeyForController(Word key, TShiftState shift, bool focusedRowChanged) {
  if (key == VK_SPACE || key == VK_PRIOR || key == VK_NEXT) return true;
  if (!focusedRowChanged) return false;
  return !((key == VK_INSERT || key == 'C') && shift == TShiftState{ssCtrl});
}

bool TcxCustomGridTableController::IsSelectionKey(Word key, TShiftState shift, bool focusedRowChanged) {
  return SupportsMultiSelect(true) && IsKeyForController(key, shift, focusedRowChanged);
}

void TcxCustomGridTableController::DoRangeSelection(bool clearOthers, TcxCustomGridHitTest*) {
  Integer row = FocusedRowIndex();
  if (row >= 0) DataController()->SelectFromAnchor(row, !clearOthers);
}

void TcxCustomGridTableController::SelectFocusedRecordOnly() {
  TcxCustomDataController* dc = DataController();
  Integer row = FocusedRowIndex();
  if (row < 0) return;
  if (dc->CountSelectedRows() == 1 && dc->IsRowSelected(row)) return;
  GridView()->BeginUpdate();
  Finally end{[this] { GridView()->EndUpdate(); }};
  dc->ClearSelection();
  if (TableView()->TableOptionsSelection()->MultiSelect()) dc->ChangeRowSelection(row, true);
}

void TcxCustomGridTableController::ToggleFocusedRecordSelection() {
  if (TcxCustomGridRecord* record = FocusedRecord()) ChangeRecordSelection(record, !record->Selected());
}

void TcxCustomGridTableController::DoKeyboardSelection(Word key, TShiftState shift) {
  if (key == VK_SPACE && shift == TShiftState{ssCtrl}) {
    ToggleFocusedRecordSelection();
    EatKeyPress = true;
    return;
  }
  if (shift.Contains(ssShift) && key != 0) {
    DoRangeSelection(true);
    return;
  }
  SelectAtAnchor(shift != TShiftState{ssCtrl});
}

void TcxCustomGridTableController::DoMouseDownSelection(TcxCustomGridHitTest* hitTest, TShiftState shift) {
  auto* recordHit = dynamic_cast<TcxGridRecordHitTest*>(hitTest);
  TcxCustomGridRecord* record = recordHit ? recordHit->GridRecord : nullptr;
  if (!record) return;
  TShiftState keys = KeyboardPart(shift);
  const bool ctrlOnly = keys == TShiftState{ssCtrl};
  if (keys.Empty() || ctrlOnly) SetSelectionAnchor(record->Index());
  auto postpone = [&] {
    if (CanPostponeRecordSelection() && record->Selected() && !shift.Contains(ssDouble)) {
      postponedSelection_ = true;
      postponedRow_ = record->Index();
      return true;
    }
    return false;
  };
  if (ctrlOnly && CanToggleRecordSelection()) {
    if (!postpone()) ToggleFocusedRecordSelection();
  } else if (keys == TShiftState{ssShift} || keys == TShiftState{ssShift, ssCtrl}) {
    DoRangeSelection(!(keys.Contains(ssCtrl) && CanAddRangeToSelection()), hitTest);
  } else if (!postpone()) {
    DoNormalSelection(hitTest);
  }
}

void TcxCustomGridTableController::DoMouseUpSelection(TcxCustomGridHitTest* hitTest, TShiftState shift) {
  auto* recordHit = dynamic_cast<TcxGridRecordHitTest*>(hitTest);
  if (!postponedSelection_ || !recordHit || !recordHit->GridRecord || recordHit->GridRecord->Index() != postponedRow_)
    return;
  TShiftState keys = KeyboardPart(shift);
  if (keys == TShiftState{ssCtrl} && CanToggleRecordSelection())
    ToggleFocusedRecordSelection();
  else
    SelectFocusedRecordOnly();
}

void TcxCustomGridTableController::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxGridViewWatch watch(GridView());
  auto after = [&] {
    if (!watch.Alive()) return;
    TcxCustomGridHitTest* hitTest = ViewInfo()->GetHitTest(x, y);
    auto* viewHit = dynamic_cast<TcxCustomGridViewHitTest*>(hitTest);
    if (viewHit && viewHit->GridView() != GridView()) return;
    if (IsSelectionClick(hitTest, shift)) DoMouseDownSelection(hitTest, shift);
    if (!watch.Alive()) return;
    bool leftOnly = button == mbLeft && !shift.Contains(ssShift) && !shift.Contains(ssCtrl) &&
                    !shift.Contains(ssAlt) && !shift.Contains(ssRight) && !shift.Contains(ssMiddle);
    if (leftOnly && dynamic_cast<TcxGridRecordHitTest*>(hitTest) && SupportsPullFocusing() && Site() &&
        Site()->MouseCapture() && GridView()->DragMode() != dmAutomatic)
      StartPullFocusing(hitTest);
  };
  try {
    TcxCustomGridController::MouseDown(button, shift, x, y);
  } catch (...) {
    after();
    throw;
  }
  after();
}

void TcxCustomGridTableController::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxCustomGridController::MouseMove(shift, x, y);
  if (!pullFocusing_) return;
  TPoint p(x, y);
  if (p == pullPoint_) return;
  pullPoint_ = p;
  TcxCustomGridHitTest* hitTest = ViewInfo()->GetHitTest(x, y);
  auto* recordHit = dynamic_cast<TcxGridRecordHitTest*>(hitTest);
  Integer direction = 0;
  if (recordHit && recordHit->GridView() == GridView()) {
    if (pullTimer_) {
      pullTimer_->Free();
      pullTimer_ = nullptr;
    }
    DoPullFocusing(hitTest);
    RememberPulled();
    if (Site()) Site()->Update();
  } else if (GetPullFocusingScrollingDirection(x, y, direction)) {
    pullDirection_ = direction;
    if (!pullTimer_) {
      pullTimer_ = new TcxTimer(nullptr);
      pullTimer_->SetInterval(50);
      pullTimer_->SetOnTimer([this](TObject* sender) { PullTimerTick(sender); });
      pullTimer_->SetEnabled(true);
    }
  }
}

void TcxCustomGridTableController::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxGridViewWatch watch(GridView());
  TcxCustomGridController::MouseUp(button, shift, x, y);
  if (!watch.Alive()) return;
  StopPullFocusing();
  if (button == mbLeft) {
    TcxCustomGridHitTest* hitTest = ViewInfo()->GetHitTest(x, y);
    if (IsSelectionClick(hitTest, shift)) DoMouseUpSelection(hitTest, shift);
  }
  if (watch.Alive()) CancelPostponedSelection();
}

void TcxCustomGridTableController::CancelMode() {
  TcxCustomGridController::CancelMode();
  StopPullFocusing();
  CancelPostponedSelection();
}

// ---- pull focusing ---------------------------------------------------------------------------------

bool TcxCustomGridTableController::SupportsPullFocusing() { return TableView()->TableOptionsBehavior()->PullFocusing(); }

void TcxCustomGridTableController::StartPullFocusing(TcxCustomGridHitTest* hitTest) {
  pullFocusing_ = true;
  pullPoint_ = hitTest ? hitTest->Pos() : TPoint();
  lastPulledRow_ = -1;
}

void TcxCustomGridTableController::StopPullFocusing() {
  if (pullTimer_) {
    TcxTimer* timer = pullTimer_;
    pullTimer_ = nullptr;
    timer->Free();
  }
  lastPulledRow_ = -1;
  lastPulledItem_ = nullptr;
  pullFocusing_ = false;
}

void TcxCustomGridTableController::RememberPulled() {
  lastPulledRow_ = FocusedRowIndex();
  lastPulledItem_ = focusedItem_;
}

bool TcxCustomGridTableController::PulledChanged() {
  return FocusedRowIndex() != lastPulledRow_ || focusedItem_ != lastPulledItem_;
}

void TcxCustomGridTableController::DoPullFocusing(TcxCustomGridHitTest* hitTest) {
  auto* recordHit = dynamic_cast<TcxGridRecordHitTest*>(hitTest);
  if (!recordHit || !recordHit->GridRecord) return;
  TcxGridViewWatch watch(GridView());
  recordHit->GridRecord->SetFocused(true);
  if (!watch.Alive()) return;
  if (auto* cellHit = dynamic_cast<TcxGridRecordCellHitTest*>(hitTest))
    if (cellHit->Item) cellHit->Item->SetFocused(true);
  if (watch.Alive() && TableView()->TableOptionsSelection()->MultiSelect() && PulledChanged()) DoRangeSelection(true);
}

void TcxCustomGridTableController::DoPullFocusingScrolling(Integer direction) {
  if (direction == 3)
    FocusRowAtIndex(topRecordIndex_);
  else if (direction == 4)
    FocusRowAtIndex(topRecordIndex_ + VisibleRecordCount() - 1);
  else
    return;
  FocusNextFocusableRecord(FocusedRowIndex(), direction == 4, false, false, false);
  if (TableView()->TableOptionsSelection()->MultiSelect() && PulledChanged()) DoRangeSelection(true);
}

bool TcxCustomGridTableController::GetPullFocusingScrollingDirection(Integer x, Integer y, Integer& direction) {
  TcxCustomGridTableViewInfo* info = TableViewInfo();
  if (!info || !info->RecordsViewInfo()) return false;
  TRect r = info->RecordsViewInfo()->Bounds;
  Integer pos = IsRecordsScrollHorizontal() ? x : y;
  Integer begin = IsRecordsScrollHorizontal() ? r.Left : r.Top;
  Integer end = IsRecordsScrollHorizontal() ? r.Right : r.Bottom;
  if (pos < begin)
    direction = 3;
  else if (pos >= end)
    direction = 4;
  else
    return false;
  return true;
}

void TcxCustomGridTableController::PullTimerTick(TObject*) {
  DoPullFocusingScrolling(pullDirection_);
  if (Site()) Site()->Update();
  RememberPulled();
}

// ---- dragging records -------------------------------------------------------------------------------

TcxCustomGridRecord* TcxCustomGridTableController::RecordAt(Integer x, Integer y) {
  auto* recordHit = dynamic_cast<TcxGridRecordHitTest*>(ViewInfo()->GetHitTest(x, y));
  return recordHit ? recordHit->GridRecord : nullptr;
}

bool TcxCustomGridTableController::IsLastPageRecord(TcxCustomGridRecord* record) {
  if (!record || !record->ViewInfo) return false;
  return record->ViewInfo->Index() >= VisibleRecordCount() - 1;
}

Integer TcxCustomGridTableController::GetDragScrollDirection(Integer x, Integer y) {
  TcxCustomGridRecord* record = RecordAt(x, y);
  if (!record) return 0;
  bool horizontal = IsRecordsScrollHorizontal();
  if (IsFirstPageRecord(record)) return horizontal ? 1 : 3;
  if (IsLastPageRecord(record)) return horizontal ? 2 : 4;
  return 0;
}

void TcxCustomGridTableController::SetDragScrollDirection(Integer direction) {
  dragScrollDirection_ = direction;
  if (direction == 0) {
    if (dragScrollTimer_) {
      TcxTimer* timer = dragScrollTimer_;
      dragScrollTimer_ = nullptr;
      timer->Free();
    }
    return;
  }
  if (dragScrollTimer_) return;
  dragScrollTimer_ = new TcxTimer(nullptr);
  dragScrollTimer_->SetInterval(Cardinal(GetDragScrollInterval()));
  dragScrollTimer_->SetOnTimer([this](TObject* sender) { DragScrollTimerTick(sender); });
  dragScrollTimer_->SetEnabled(true);
}

void TcxCustomGridTableController::DragScrollTimerTick(TObject*) {
  if (dragScrollDirection_ == 3 || dragScrollDirection_ == 1)
    ScrollRecords(false, 1);
  else if (dragScrollDirection_ == 4 || dragScrollDirection_ == 2)
    ScrollRecords(true, 1);
  if (Site()) Site()->Update();
}

void TcxCustomGridTableController::SetDragHighlightedRecord(TcxCustomGridRecord* record) {
  if (record == dragHighlightedRecord_) return;
  TcxCustomGridRecord* prev = dragHighlightedRecord_;
  dragHighlightedRecord_ = record;
  for (TcxCustomGridRecord* r : {prev, record})
    if (r && r->ViewInfo) r->ViewInfo->Invalidate();
}

void TcxCustomGridTableController::GetDragDropText(String& text) {
  text.clear();
  auto* behavior = TableView()->TableOptionsBehavior();
  if (!behavior->DragDropText()) return;
  TableView()->DoGetDragDropText(FocusedRecord(), focusedItem_, text);
}

void TcxCustomGridTableController::GetDragDropTextViewParams(TcxStyleParams& params) {
  TableView()->TableStyles()->GetContentParams(nullptr, nullptr, params);
}

bool TcxCustomGridTableController::CanDrag(Integer x, Integer y) {
  return dynamic_cast<TcxGridRecordHitTest*>(ViewInfo()->GetHitTest(x, y)) != nullptr;
}

void TcxCustomGridTableController::StartDrag(TDragObject*& dragObject) {
  TcxCustomGridController::StartDrag(dragObject);
  if (Site()) Site()->SetDragCursor(DataController()->CountSelectedRows() < 2 ? crcxDrag : crcxMultiDrag);
  GetDragDropText(dragText_);
}

void TcxCustomGridTableController::DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) {
  TcxCustomGridController::DragOver(source, x, y, state, accept);
  auto* behavior = TableView()->TableOptionsBehavior();
  bool leaving = state == dsDragLeave;
  if (behavior->DragScrolling()) SetDragScrollDirection(leaving ? 0 : GetDragScrollDirection(x, y));
  if (behavior->DragOpening())
    if (TcxCustomGrid* grid = GridView()->Control(); grid && grid->Controller() && ViewInfo()) {
      TcxCustomGridDragOpenInfo* info = leaving ? nullptr : GetDragOpenInfo(ViewInfo()->GetHitTest(TPoint(x, y)));
      if (info)
        grid->Controller()->StartDragOpen(info);
      else
        grid->Controller()->StopDragOpen();
    }
  if (behavior->DragHighlighting()) SetDragHighlightedRecord(leaving ? nullptr : RecordAt(x, y));
  if (behavior->DragFocusing() == dfDragOver && !leaving)
    if (TcxCustomGridRecord* record = RecordAt(x, y)) record->SetFocused(true);
}

TcxCustomGridDragOpenInfo* TcxCustomGridTableController::GetDragOpenInfo(TcxCustomGridHitTest* hitTest) {
  auto* button = dynamic_cast<TcxGridExpandButtonHitTest*>(hitTest);
  return button && button->GridRecord ? new TcxGridDragOpenInfoExpand(button->GridRecord) : nullptr;
}

void TcxCustomGridTableController::DragDrop(TObject* source, Integer x, Integer y) {
  TcxCustomGridController::DragDrop(source, x, y);
  if (TableView()->TableOptionsBehavior()->DragFocusing() == dfDragDrop)
    if (TcxCustomGridRecord* record = RecordAt(x, y)) record->SetFocused(true);
}

void TcxCustomGridTableController::EndDrag(TObject* target, Integer x, Integer y) {
  TcxCustomGridController::EndDrag(target, x, y);
  SetDragHighlightedRecord(nullptr);
  if (TcxCustomGrid* grid = GridView()->Control())
    if (grid->Controller()) grid->Controller()->StopDragOpen();
  SetDragScrollDirection(0);
}

void TcxCustomGridTableController::GetDragImagesSize(TSize& size) {
  String text;
  GetDragDropText(text);
  if (text.empty() || !Site()) {
    size = TSize(0, 0);
    return;
  }
  TcxStyleParams params;
  GetDragDropTextViewParams(params);
  TcxCanvas* canvas = Site()->Canvas();
  if (params.Font) canvas->ApplyFont(params.Font);
  TSize t = canvas->MeasureTextSize(text);
  size = TSize(t.cx + 35, t.cy + 10);
}

void TcxCustomGridTableController::PaintDragImage(TcxCanvas* canvas, const TRect& bounds) {
  TcxStyleParams params;
  GetDragDropTextViewParams(params);
  TRect r = bounds;
  canvas->FillRectColor(r, params.Color);
  r.Left += 25;
  for (int i = 0; i < 3; ++i) {
    canvas->DrawFocusFrame(r);
    r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
  r = TRect(bounds.Left + 25 + 5, bounds.Top + 5, bounds.Right - 5, bounds.Bottom - 5);
  if (params.Font) canvas->ApplyFont(params.Font);
  canvas->CurrentFont()->SetColor(params.TextColor);
  canvas->CurrentBrush()->SetStyle(bsClear);
  canvas->OutputText(dragText_, r, ctfLeft | ctfVCenter | ctfSingleLine);
  canvas->CurrentBrush()->SetStyle(bsSolid);
}

// ---- drag opening of an expand button --------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxGridDragOpenInfoExpand)

TcxGridDragOpenInfoExpand::TcxGridDragOpenInfoExpand(TcxCustomGridRecord* record)
    : watch_(new TcxGridViewWatch(record->GridView())),
      view_(record->GridView()),
      record_(record),
      rowIndex_(record->Index()) {}

TcxGridDragOpenInfoExpand::~TcxGridDragOpenInfoExpand() = default;

TcxCustomGridRecord* TcxGridDragOpenInfoExpand::GridRecord() {
  if (!watch_->Alive() || view_->IsDestroying()) return nullptr;
  TcxCustomGridTableViewData* data = view_->TableViewData();
  if (!data || rowIndex_ < 0 || rowIndex_ >= data->CountRecords()) return nullptr;
  // Compared before any use: a record made anew is another target.
  return data->RecordAtRowIndex(rowIndex_) == record_ ? record_ : nullptr;
}

bool TcxGridDragOpenInfoExpand::IsSameTarget(TcxCustomGridDragOpenInfo* info) {
  return TcxCustomGridDragOpenInfo::IsSameTarget(info) && static_cast<TcxGridDragOpenInfoExpand*>(info)->record_ == record_;
}

void TcxGridDragOpenInfoExpand::OpenTarget() {
  if (TcxCustomGridRecord* record = GridRecord()) record->ExpandIfExpandable(false);
}
