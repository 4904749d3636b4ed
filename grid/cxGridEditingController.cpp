// The editing controller: one in-place editor from its own list, placed over the edited
// cell, filled with its value, its keys routed to the view, its value written back.
#include <algorithm>

#include "editors/cxEdit.h"
#include "data/cxCustomDataInternal.h"
#include "grid/cxGrid.h"
#include "rtl/SysUtils.h"
#include "vcl/Forms.h"
#include "grid/cxGridCustomTableController.h"

using cxdata_internal::Finally;

KORVAN_IMPLEMENT_CLASS(TcxGridEditingController)

namespace {
constexpr Integer kEditParkedLeft = 30000;
}


TcxGridEditingController::TcxGridEditingController(TcxCustomGridTableController* controller)
    : controller_(controller), editList_(new TcxInplaceEditList()) {}

TcxGridEditingController::~TcxGridEditingController() {
  StopEditShowingTimer();
  if (edit_) UnassignEditEvents();
  edit_ = nullptr;
  delete editList_;
}

TcxCustomGridTableView* TcxGridEditingController::GridView() const { return controller_->TableView(); }

TcxGridTableDataCellViewInfo* TcxGridEditingController::EditingCellViewInfo() {
  TcxCustomGridRecord* record = controller_->FocusedRecord();
  if (!editingItem_ || !record || !record->ViewInfo) return nullptr;
  return record->ViewInfo->GetCellViewInfoByItem(editingItem_);
}

bool TcxGridEditingController::IsCellFullyVisible(TcxGridTableDataCellViewInfo* cell) {
  TcxCustomGridTableViewInfo* info = controller_->TableViewInfo();
  if (!cell || !info || !cell->Calculated() || cell->Bounds.IsEmpty()) return false;
  TRect area, edit;
  info->GetCellVisibilityArea(area);
  cell->GetEditBounds(edit);
  if (edit.IsEmpty()) return false;
  if (!cell->Visible || !cell->RecordViewInfo()->IsRecordVisible()) return false;
  // Partly hidden on the left or top counts as not shown (right and bottom are clipped).
  return edit.Left >= area.Left && edit.Top >= area.Top && edit.Left < area.Right && edit.Top < area.Bottom;
}

void TcxGridEditingController::HideUnplacedEdit() {
  if (!IsEditing() || !edit_) return;
  if (placed_ && IsCellFullyVisible(EditingCellViewInfo())) return;
  movePending_ = false;
  if (!preparing_) edit_->SetLeft(kEditParkedLeft);
}

bool TcxGridEditingController::CanInitEditing() {
  return editingItem_ && GridView()->DataController()->CanInitEditing(editingItem_->Index());
}

bool TcxGridEditingController::CanFocusGridSite() {
  return !(IsEditing() && HoldsInputFocus(edit_) && !hiding_);
}

bool TcxGridEditingController::CanUpdateEditValue() {
  if (!IsEditing() || !edit_ || hiding_ || initiating_) return false;
  if (GridView()->IsPattern() && GridView()->IsDetailView()) return false;
  return true;
}

bool TcxGridEditingController::HideEditOnFocusedRecordChange() {
  TcxCustomGridTableView* view = GridView();
  if (!view->TableOptionsBehavior()->AlwaysShowEditor() || !editingItem_) return true;
  if (editingItem_->ShowButtons(false)) return true;
  TcxCustomEditProperties* p = editingItem_->GetProperties();
  if (p && (p->GetSupportedOperations() & esoAlwaysHotTrack)) return true;
  return bool(view->OnEditing) || bool(view->OnInitEdit);
}

TcxCustomEditProperties* TcxGridEditingController::GetEditingProperties() {
  return editingItem_ ? editingItem_->GetPropertiesForRecord(controller_->FocusedRecord()) : nullptr;
}

void TcxGridEditingController::SetEditingItem(TcxCustomGridTableItem* item) {
  if (item == editingItem_ || settingItem_) return;
  settingItem_ = true;
  Finally done{[this] { settingItem_ = false; }};
  if (item) {
    if (!item->CanEdit()) return;
    bool allow = true;
    TcxCustomGridTableView* view = GridView();
    if (view->OnEditing) view->OnEditing(view, item, allow);
    if (!allow) return;
    item->SetFocused(true);
    if (controller_->FocusedItem() != item) return;
  }
  HideEdit(false);
  editingItem_ = item;
  if (!item) return;
  try {
    ShowEditActivate(item);
  } catch (...) {
    editingItem_ = nullptr;
    throw;
  }
  if (!edit_ && !preparing_) editingItem_ = nullptr;
}

bool TcxGridEditingController::ShowEdit(TcxCustomGridTableItem* item, bool byMouse) {
  controller_->CheckEditNeeded = false;
  if (preparing_ || hiding_ || !item || !controller_->FocusedRecord()) return false;
  TcxGridSite* site = GridView()->Site();
  bool result = false;
  if (item != editingItem_ || settingItem_) {
    if (!site || !site->HandleAllocated() || !site->Focused()) return false;
    preparing_ = true;
    Finally endPrepare{[this] { preparing_ = false; }};
    if (item != editingItem_) {
      item->SetEditing(true);
      if (editingItem_ != item) return false;
    }
    TcxGridTableDataCellViewInfo* cell = EditingCellViewInfo();
    if (!IsCellFullyVisible(cell)) {
      item->SetEditing(false);
      return false;
    }
    TcxCustomEditProperties* properties = GetEditingProperties();
    if (!properties) {
      item->SetEditing(false);
      return false;
    }
    try {
      if (item->Properties() && item->RepositoryItem() && properties != item->Properties()) {
        edit_ = editList_->ObtainEdit(item->Properties());
        edit_->SetRepositoryItem(item->RepositoryItem());
      } else {
        edit_ = editList_->ObtainEdit(properties);
      }
    } catch (...) {
      edit_ = nullptr;
      item->SetEditing(false);
      throw;
    }
    cell->RefreshCell(true);
    InitEdit();
    result = true;
  } else {
    result = byMouse || (site && site->HandleAllocated() && site->Focused() && edit_ && !HoldsInputFocus(edit_));
    if (result)
      if (TcxGridTableDataCellViewInfo* cell = EditingCellViewInfo()) cell->RefreshCell(true);
  }
  if (result && site) site->SetTabStop(false);
  return result;
}

void TcxGridEditingController::InitEdit() {
  TcxCustomEditProperties* properties = edit_->GetEffectiveProperties();
  if (properties) {
    savedChange_ = properties->OnChange;
    savedEditValueChanged_ = properties->OnEditValueChanged;
    properties->OnChange = nullptr;
    properties->OnEditValueChanged = nullptr;
  }
  edit_->SetParent(GridView()->Site());
  PlaceEdit();
  UpdateEditValue();
  AssignEditEvents();
}

void TcxGridEditingController::DoneEdit() { UnassignEditEvents(); }

void TcxGridEditingController::CommitEditingData() {
  UpdateValue();
  GridView()->DataController()->PostEditingData();
}

void GridViewUpdateEditingData(TcxCustomGridTableView* view) {
  if (auto* controller = dynamic_cast<TcxCustomGridTableController*>(view->Controller()))
    controller->EditingController()->UpdateValue();
}

void TcxGridEditingController::AssignEditEvents() {
  edit_->OnAfterKeyDown = [this](TObject*, Word& key, TShiftState shift) { EditAfterKeyDown(key, shift); };
  edit_->OnEditing = [this](TObject*, bool& allow) {
    initiating_ = true;
    Finally done{[this] { initiating_ = false; }};
    allow = CanInitEditing();
  };
  edit_->OnPostEditValue = [this](TObject*) { UpdateValue(); };
  edit_->OnExit = [this](TObject*) { EditExit(); };
  edit_->OnKeyDown = [this](TObject*, Word& key, TShiftState shift) { EditKeyDown(key, shift); };
  edit_->OnKeyPress = [this](TObject*, char32_t& key) {
    TcxCustomGridTableView* view = GridView();
    if (view->OnEditKeyPress) view->OnEditKeyPress(view, editingItem_, edit_, key);
  };
  if (TcxCustomEditProperties* properties = edit_->GetEffectiveProperties()) {
    properties->OnChange = [this](TObject* sender) {
      EditChanged();
      if (savedChange_) savedChange_(sender);
      TcxCustomGridTableView* view = GridView();
      if (view->OnEditChanged) view->OnEditChanged(view, editingItem_);
    };
    properties->OnEditValueChanged = [this](TObject* sender) {
      if (savedEditValueChanged_) savedEditValueChanged_(sender);
      TcxCustomGridTableView* view = GridView();
      if (view->OnEditValueChanged) view->OnEditValueChanged(view, editingItem_);
    };
  }
}

void TcxGridEditingController::UnassignEditEvents() {
  if (!edit_) return;
  edit_->OnAfterKeyDown = nullptr;
  edit_->OnEditing = nullptr;
  edit_->OnPostEditValue = nullptr;
  edit_->OnExit = nullptr;
  edit_->OnKeyDown = nullptr;
  edit_->OnKeyPress = nullptr;
  if (TcxCustomEditProperties* properties = edit_->GetEffectiveProperties()) {
    properties->OnChange = savedChange_;
    properties->OnEditValueChanged = savedEditValueChanged_;
  }
  savedChange_ = nullptr;
  savedEditValueChanged_ = nullptr;
}

void TcxGridEditingController::EditAfterKeyDown(Word& key, TShiftState shift) {
  if (controller_->IsEditorNavigationKey(key, shift)) controller_->KeyDown(key, shift);
}

void TcxGridEditingController::EditKeyDown(Word& key, TShiftState shift) {
  if (key != VK_SHIFT && key != VK_CONTROL && key != VK_MENU) controller_->MakeFocusedItemVisible();
  DoEditKeyDown(key, shift);
}

void TcxGridEditingController::DoEditKeyDown(Word& key, TShiftState shift) {
  TcxCustomGridTableView* view = GridView();
  if (view->OnEditKeyDown) view->OnEditKeyDown(view, editingItem_, edit_, key, shift);
  switch (key) {
    case VK_RETURN: {
      if (!shift.Empty() && shift != TShiftState{ssShift}) break;
      HideEdit(true);
      key = 0;
      if (view->TableOptionsBehavior()->GoToNextCellOnEnter()) {
        Word enter = VK_RETURN;
        controller_->SuppressRecordKeys = true;
        {
          Finally done{[this] { controller_->SuppressRecordKeys = false; }};
          controller_->KeyDown(enter, shift);
        }
        ShowEditActivate(nullptr);
      } else {
        controller_->CheckEdit();
      }
      break;
    }
    case VK_ESCAPE: {
      bool modified = edit_ && edit_->ModifiedFlag();
      HideEdit(false);
      controller_->CheckEdit();
      if (modified) key = 0;
      break;
    }
    case VK_DELETE:
      if (shift == TShiftState{ssCtrl}) {
        controller_->KeyDown(key, shift);
        key = 0;
      }
      break;
    default: break;
  }
}

void TcxGridEditingController::EditExit() {
  if (!CanHandleEditExit()) return;
  try {
    HideEdit(!controller_->CanCancelOnExit());
  } catch (...) {
    if (edit_ && edit_->CanFocus()) edit_->SetFocus();
    errorOnExit_ = true;
    throw;
  }
}

void TcxGridEditingController::UpdateValue() {
  if (!IsEditing() || !edit_ || !edit_->ModifiedFlag()) return;
  edit_->ValidateEdit(true);
  editingItem_->SetEditValue(controller_->FocusedRecord(), edit_->ReadEditValue());
  edit_->SetChangedSinceEnter(false);
}

void TcxGridEditingController::UpdateEditValue() {
  if (!CanUpdateEditValue()) return;
  edit_->LockChangeEvents(true);
  {
    Finally unlock{[this] { edit_->LockChangeEvents(false); }};
    TcxCustomGridRecord* record = controller_->FocusedRecord();
    edit_->WriteEditValue(record ? editingItem_->GetEditValue(record) : Variant(Null()));
  }
  edit_->SelectWholeText();
}

void TcxGridEditingController::PlaceEdit() {
  if (!edit_) return;
  TcxGridTableDataCellViewInfo* cell = EditingCellViewInfo();
  if (!cell || cell->Bounds.IsEmpty()) return;
  if (!initiating_) {
    if (preparing_)
      UpdateEditBounds();
    else
      movePending_ = true;
  }
  placed_ = true;
}

void TcxGridEditingController::UpdateEditBounds() {
  movePending_ = false;
  TcxGridTableDataCellViewInfo* cell = EditingCellViewInfo();
  if (!edit_ || !IsCellFullyVisible(cell)) return;
  TRect r;
  cell->GetEditBounds(r);
  if (r.IsEmpty()) return;
  edit_->SetBoundsRect(r);
  TcxContainerStyle* style = edit_->Style();
  style->SetColor(cell->Params.Color);
  if (cell->Params.Font) style->SetFont(cell->Params.Font);
  style->SetTextColor(cell->Params.TextColor);
  TcxCustomGridTableView* view = GridView();
  if (view->OnInitEdit) view->OnInitEdit(view, editingItem_, edit_);
}

void TcxGridEditingController::ShowEditActivate(TcxCustomGridTableItem* item) {
  if (!item) item = controller_->FocusedItem();
  if (ShowEdit(item, false) && edit_) edit_->ActivateInPlace(item->EditData);
}

void TcxGridEditingController::ShowEditByKey(TcxCustomGridTableItem* item, char32_t key) {
  if (ShowEdit(item, false) && edit_) edit_->ActivateByKey(key, item->EditData);
}

void TcxGridEditingController::ShowEditByMouse(TcxCustomGridTableItem* item, TShiftState shift, Integer x, Integer y) {
  if (ShowEdit(item, true) && edit_) edit_->ActivateByMouse(shift, x, y, item->EditData);
}

void TcxGridEditingController::CheckEditAlwaysShown() {
  if (IsEditing() && !IsCellFullyVisible(EditingCellViewInfo()))
    HideEdit(false);
  else
    ShowEditActivate(nullptr);
}

void TcxGridEditingController::HideEdit(bool accept) {
  controller_->CheckEditNeeded = false;
  movePending_ = false;
  StopEditShowingTimer();
  if (hiding_ || !IsEditing()) return;
  hiding_ = true;
  Finally done{[this] { hiding_ = false; }};
  TcxCustomGridTableView* view = GridView();
  bool hadFocus = HoldsInputFocus(edit_);
  if (accept && edit_) {
    bool valid = false;
    try {
      valid = edit_->DeactivateInPlace();
    } catch (const EcxEditValidationError& e) {
      // The editor's message is shown here, once; the operation that asked for the hide then
      // ends silently, with the editor in place.
      Application->ShowException(e);
    }
    if (!valid) throw EAbort("");
    CommitEditingData();
  }
  TcxCustomEdit* edit = edit_;
  editingItem_ = nullptr;
  TcxGridSite* site = view->Site();
  if (view->IsFocused() && site) site->SetTabStop(true);
  if (edit) {
    DoneEdit();
    if (hadFocus && view->IsFocused()) {
      edit->SetModifiedFlag(false);
      if (!view->IsDestroying()) {
        // The site takes the focus back without reopening the editor.
        bool saved = controller_->AllowCheckEdit;
        controller_->AllowCheckEdit = false;
        Finally restore{[&] { controller_->AllowCheckEdit = saved; }};
        controller_->FocusChanged(true);
        if (site && site->HandleAllocated() && site->CanFocus() && !site->Focused()) site->SetFocus();
      }
    } else {
      controller_->InvalidateFocusedRecord();
    }
    edit->SetParent(nullptr);
    edit->SetRepositoryItem(nullptr);
    edit_ = nullptr;
  }
  controller_->InvalidateFocusedRecord();
  errorOnExit_ = false;
}

void TcxGridEditingController::RemoveEdit(TcxCustomEditProperties* properties) {
  if (IsEditing() && edit_ && editList_->FindBoundEdit(properties) == edit_) editingItem_ = nullptr;
  editList_->ReleaseEdit(properties);
}

void TcxGridEditingController::StartEditShowingTimer(TcxCustomGridTableItem* item) {
  StopEditShowingTimer();
  timerItem_ = item;
  timer_ = new TcxTimer(nullptr);
  timer_->SetInterval(Cardinal(SystemDoubleClickTime()));
  timer_->SetOnTimer([this](TObject* sender) { EditShowingTimerTick(sender); });
  timer_->SetEnabled(true);
}

void TcxGridEditingController::StopEditShowingTimer() {
  if (!timer_) return;
  TcxTimer* timer = timer_;
  timer_ = nullptr;
  timer->Free();
}

void TcxGridEditingController::EditShowingTimerTick(TObject*) {
  TcxCustomGridTableItem* item = timerItem_;
  StopEditShowingTimer();
  if (item) item->SetEditing(true);
}
