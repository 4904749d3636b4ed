// In-place editors: the host's cache of editors and the editor's activation and deactivation.
#include <algorithm>

#include "editors/cxEdit.h"
#include "user/WinUser.h"

KORVAN_IMPLEMENT_CLASS(TcxInplaceEditList)

namespace {
std::vector<TcxInplaceEditList*>& LiveLists() {
  static std::vector<TcxInplaceEditList*> lists;
  return lists;
}

void FreeEdit(TcxCustomEdit* edit) {
  edit->SetParent(nullptr);
  edit->Free();
}
}  // namespace

void DisconnectPropertiesFromInplaceLists(TcxCustomEditProperties* properties) {
  for (TcxInplaceEditList* list : LiveLists()) list->UnbindProperties(properties);
}

TClass TcxCustomEditProperties::GetContainerClass() { return TcxCustomEdit::StaticClass(); }

// ---- the cache ------------------------------------------------------------------------------------

TcxInplaceEditList::TcxInplaceEditList() { LiveLists().push_back(this); }

TcxInplaceEditList::~TcxInplaceEditList() {
  auto& lists = LiveLists();
  lists.erase(std::remove(lists.begin(), lists.end(), this), lists.end());
  std::vector<TItem> items;
  items.swap(items_);
  for (const TItem& item : items) FreeEdit(item.edit);
}

TcxCustomEdit* TcxInplaceEditList::FreeEditOfClass(TClass edit_class) {
  for (const TItem& item : items_)
    if (!item.properties && item.edit->ClassType() == edit_class) return item.edit;
  return nullptr;
}

TcxCustomEdit* TcxInplaceEditList::AddEdit(TClass edit_class, TcxCustomEditProperties* properties) {
  TcxCustomEdit* edit = TcxCustomEdit::CreateInplace(edit_class, nullptr);
  edit->SetVisible(false);
  items_.push_back({edit, properties});
  return edit;
}

TcxCustomEdit* TcxInplaceEditList::FindBoundEdit(TcxCustomEditProperties* properties) {
  for (const TItem& item : items_)
    if (item.properties == properties) return item.edit;
  const TClass edit_class = properties->GetContainerClass();
  for (TItem& item : items_)
    if (!item.properties && item.edit->ClassType() == edit_class) {
      item.properties = properties;
      return item.edit;
    }
  return nullptr;
}

TcxCustomEdit* TcxInplaceEditList::ObtainEdit(TcxCustomEditProperties* properties) {
  TcxCustomEdit* edit = FindBoundEdit(properties);
  if (!edit) edit = AddEdit(properties->GetContainerClass(), properties);
  edit->LockChangeEvents(true);
  try {
    edit->Properties()->Assign(properties);
  } catch (...) {
    edit->LockChangeEvents(false, false);
    throw;
  }
  edit->LockChangeEvents(false, false);
  return edit;
}

TcxCustomEdit* TcxInplaceEditList::ObtainEditOfClass(TClass properties_class) {
  // The kind's container class, asked of a passing instance of the properties class.
  std::unique_ptr<TcxCustomEditProperties> sample(
      static_cast<TcxCustomEditProperties*>(properties_class->Create(nullptr)));
  const TClass edit_class = sample->GetContainerClass();
  sample.reset();
  return ObtainEditOfEditClass(edit_class);
}

TcxCustomEdit* TcxInplaceEditList::ObtainEditOfEditClass(TClass edit_class) {
  if (TcxCustomEdit* edit = FreeEditOfClass(edit_class)) return edit;
  return AddEdit(edit_class, nullptr);
}

void TcxInplaceEditList::UnbindProperties(TcxCustomEditProperties* properties) {
  for (TItem& item : items_)
    if (item.properties == properties) {
      item.properties = nullptr;
      return;
    }
}

void TcxInplaceEditList::ReleaseEdit(TcxCustomEditProperties* properties) {
  auto it = std::find_if(items_.begin(), items_.end(),
                         [&](const TItem& item) { return item.properties == properties; });
  if (it == items_.end()) return;
  TcxCustomEdit* edit = it->edit;
  items_.erase(it);
  FreeEdit(edit);
}

// ---- activation ------------------------------------------------------------------------------------

void TcxCustomEdit::ActivateInPlace(TcxCustomEditData*& edit_data) {
  if (!edit_data && GetEditDataClass()) edit_data = CreateEditData();
  editData_ = edit_data;
  if (editData_ && editData_->Cleared()) {
    InitEditData();
    editData_->SetCleared(false);
  }
  SetVisible(true);
  if (HandleAllocated() && CanFocus()) {
    SetFocus();
    if (GetEffectiveProperties()->AutoSelect()) SelectWholeText();
  }
  SynchronizeDisplayValue();
  SetModifiedFlag(false);
}

void TcxCustomEdit::ActivateByKey(char32_t key, TcxCustomEditData*& edit_data) {
  HookInnerEdit();
  try {
    ActivateInPlace(edit_data);
    if (SendActivationKey(key)) SendMessage(Handle(), WM_CHAR, WPARAM(key), 0);
  } catch (...) {
    UnhookInnerEdit();
    throw;
  }
  UnhookInnerEdit();
}

void TcxCustomEdit::ActivateByMouse(TShiftState shift, Integer x, Integer y,
                                    TcxCustomEditData*& edit_data) {
  ActivateInPlace(edit_data);
  TPoint p(x, y);
  if (Parent()) p = ScreenToClient(Parent()->ClientToScreen(p));
  const LPARAM position = LPARAM((DWORD(WORD(p.Y)) << 16) | WORD(p.X));
  const WPARAM keys = ShiftStateToMouseKeys(shift);
  if (shift.Contains(ssLeft)) {
    SendMessage(Handle(), WM_LBUTTONDOWN, keys, position);
    if (GetCapture() == Handle() && GetKeyState(VK_LBUTTON) >= 0) ReleaseCapture();
  } else {
    SendMessage(Handle(), WM_LBUTTONUP, keys, position);
  }
  // The click that opened the editor and the next one form a double click.
  doubleClickTimer_->SetInterval(GetDoubleClickTime());
  doubleClickTimer_->SetEnabled(true);
}

bool TcxCustomEdit::DeactivateInPlace() {
  doubleClickTimer_->SetEnabled(false);
  userChange_ = false;
  const bool result = ValidateEdit(true);
  if (result) {
    SynchronizeDisplayValue();
    validated_ = true;
  }
  return result;
}
