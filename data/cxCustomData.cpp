// The data controller: fields, the custom data source and the provider, construction, update
// brackets and change delivery, structure updates and storage loading, values and editing.
#include "data/cxCustomData.h"

#include <algorithm>
#include <exception>

#include "data/cxCustomDataInternal.h"
#include "data/cxDataConsts.h"
#include "rtl/SysUtils.h"

void cxDataControllerError(const TcxResourceStringRec& rec) {
  throw EcxInvalidDataControllerOperation(cxGetDataResourceString(rec));
}

using cxdata_internal::Finally;

// =============================================================================================
// Data fields

TcxCustomDataField::~TcxCustomDataField() {
  if (fieldList_ != nullptr) fieldList_->RemoveField(this);
  delete valueDef_;
  valueDef_ = nullptr;
}

void TcxCustomDataField::SetReference(TcxCustomDataField* field) {
  if ((referenceField_ != nullptr) != (field != nullptr) && fieldList_ != nullptr)
    fieldList_->referenceCount_ += field != nullptr ? 1 : -1;
  referenceField_ = field;
}

void TcxCustomDataField::AdoptStorage(TcxCustomDataField* source) {
  SetReference(nullptr);
  delete valueDef_;
  valueDef_ = source->valueDef_;
  if (valueDef_ != nullptr) valueDef_->SetLinkedObject(this);
  valueTypeClass_ = source->valueTypeClass_;
  textStored_ = source->textStored_;
  source->valueDef_ = nullptr;
  source->valueTypeClass_ = nullptr;
}

bool TcxCustomDataField::CanStoreValue(int) const {
  return ValueDef() != nullptr || OwnerController()->IsProviderMode();
}

int TcxCustomDataField::Index() const { return fieldList_ ? fieldList_->IndexOf(this) : -1; }

TcxCustomDataController* TcxCustomDataField::OwnerController() const { return fieldList_->DataController(); }

TcxValueDef* TcxCustomDataField::ValueDef() const {
  const TcxCustomDataField* f = this;
  while (f->referenceField_ != nullptr) f = f->referenceField_;
  return f->valueDef_;
}

TcxValueTypeClass TcxCustomDataField::ValueTypeClass() const {
  const TcxCustomDataField* f = this;
  while (f->referenceField_ != nullptr) f = f->referenceField_;
  return f->valueTypeClass_;
}

bool TcxCustomDataField::IsTextStored() const {
  const TcxCustomDataField* f = this;
  while (f->referenceField_ != nullptr) f = f->referenceField_;
  return f->textStored_;
}

void TcxCustomDataField::MoveTo(int index) {
  auto& items = fieldList_->items_;
  int cur = Index();
  if (cur == index || cur < 0 || index < 0 || index >= int(items.size())) return;
  items.erase(items.begin() + cur);
  items.insert(items.begin() + index, this);
  fieldList_->Renumber(std::size_t(std::min(cur, index)));
}

void TcxCustomDataField::ChangeInternal(bool value) {
  if (internal_ == value) return;
  internal_ = value;
  fieldList_->Recount();
}

void TcxCustomDataField::ChangeReferenceField(TcxCustomDataField* field) {
  if (field == referenceField_) return;
  TcxCustomDataField* end = field;
  while (end != nullptr && end->referenceField_ != nullptr) end = end->referenceField_;
  if (end == this) return;  // would make a cycle
  if (referenceField_ == nullptr) {
    delete valueDef_;
    valueDef_ = nullptr;
    valueTypeClass_ = nullptr;
  }
  SetReference(end);
}

void TcxCustomDataField::ChangeTextStored(bool value) {
  if (referenceField_ != nullptr || textStored_ == value) return;
  SuspendValueDef();
  textStored_ = value;
  ResumeValueDef();
}

void TcxCustomDataField::ChangeValueTypeClass(TcxValueTypeClass value) {
  if (referenceField_ != nullptr || valueTypeClass_ == value) return;
  SuspendValueDef();
  valueTypeClass_ = value;
  ResumeValueDef();
}

void TcxCustomDataField::SuspendValueDef() {
  if (valueDefLock_++ == 0 && referenceField_ == nullptr) {
    delete valueDef_;
    valueDef_ = nullptr;
  }
}

void TcxCustomDataField::ResumeValueDef() {
  if (--valueDefLock_ == 0) CreateValueDef();
}

void TcxCustomDataField::CreateValueDef() {
  if (referenceField_ != nullptr || valueTypeClass_ == nullptr) return;
  delete valueDef_;
  valueDef_ = nullptr;
  valueDef_ = OwnerController()->Storage()->ValueDefs()->Add(valueTypeClass_, internal_, this, textStored_);
}

void TcxCustomDataField::NotifyStructureChanged() {
  TcxCustomDataProvider* p = OwnerController()->Provider();
  if (p->NotificationLockCount() == 0) p->UpdateItems(true);
}

void TcxCustomDataFieldList::ComponentRemoved(TComponent* component) {
  for (auto* f : std::vector<TcxCustomDataField*>(items_)) f->ComponentRemoved(component);
}

void TcxCustomDataField::SetItem(TObject* item) {
  const bool listed = fieldList_ != nullptr && fieldList_->IndexOf(this) >= 0;
  if (listed) fieldList_->UnlinkItem(this);
  item_ = item;
  if (listed) fieldList_->LinkItem(this);
}

TcxCustomDataField* TcxCustomDataFieldList::FieldByItem(TObject* item) const {
  if (item != nullptr && !itemsShared_) {
    auto it = byItem_.find(item);
    return it == byItem_.end() ? nullptr : it->second;
  }
  for (auto* f : items_)
    if (f->item_ == item) return f;
  return nullptr;
}

void TcxCustomDataFieldList::AddField(TcxCustomDataField* field) {
  const std::size_t at = field->internal_ ? items_.size() : std::size_t(ExternalCount());
  items_.insert(items_.begin() + std::ptrdiff_t(at), field);
  if (field->internal_) ++internalCount_;
  Renumber(at);
  LinkItem(field);
}

void TcxCustomDataFieldList::LinkItem(TcxCustomDataField* field) {
  if (field->item_ == nullptr) return;
  auto [it, added] = byItem_.emplace(field->item_, field);
  if (!added && it->second != field) itemsShared_ = true;
}

void TcxCustomDataFieldList::UnlinkItem(TcxCustomDataField* field) {
  auto it = field->item_ != nullptr ? byItem_.find(field->item_) : byItem_.end();
  if (it != byItem_.end() && it->second == field) byItem_.erase(it);
}

void TcxCustomDataFieldList::Clear() {
  while (!items_.empty()) delete items_.back();
}

int TcxCustomDataFieldList::IndexOf(const TcxCustomDataField* f) const {
  if (f != nullptr && f->index_ >= 0 && std::size_t(f->index_) < items_.size() && items_[std::size_t(f->index_)] == f)
    return f->index_;
  auto it = std::find(items_.begin(), items_.end(), f);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

void TcxCustomDataFieldList::RemoveField(TcxCustomDataField* field) {
  fieldDestroyed_ = true;
  ReleaseReferences(field);
  // The field leaves the count with the list; it keeps its link until it is gone.
  if (field->referenceField_ != nullptr) --referenceCount_;
  const int at = IndexOf(field);
  if (at >= 0) {
    UnlinkItem(field);
    items_.erase(items_.begin() + at);
    field->index_ = -1;
    Renumber(std::size_t(at));
  }
  controller_->FieldRemoved(field);
  Recount();
}

void TcxCustomDataFieldList::ReleaseReferences(TcxCustomDataField* field) {
  TcxCustomDataField* heir = nullptr;
  for (auto* f : items_) {
    if (f == field || f->referenceField_ != field) continue;
    if (heir == nullptr) {
      heir = f;
      f->AdoptStorage(field);
    } else {
      f->SetReference(heir);
    }
  }
}

void TcxCustomDataFieldList::Renumber(std::size_t from) {
  for (std::size_t i = from; i < items_.size(); ++i) items_[i]->index_ = int(i);
}

void TcxCustomDataFieldList::Recount() {
  internalCount_ = int(std::count_if(items_.begin(), items_.end(), [](auto* f) { return f->internal_; }));
}

// =============================================================================================
// Custom data source

TcxCustomDataSource::~TcxCustomDataSource() { DetachProviders(); }

void TcxCustomDataSource::DetachProviders() {
  while (!providers_.empty()) {
    TcxCustomDataProvider* p = providers_.back();
    if (p->CustomDataSource() == this)
      p->SetCustomDataSource(nullptr);
    else
      providers_.pop_back();
  }
}

TcxCustomDataController* TcxCustomDataSource::DataController() const {
  TcxCustomDataProvider* p = Provider();
  return p ? p->DataController() : nullptr;
}

int TcxCustomDataSource::GetDefaultItemID(int itemIndex) {
  TcxCustomDataController* c = DataController();
  return c ? c->GetItemID(c->GetItem(itemIndex)) : -1;
}

String TcxCustomDataSource::GetDisplayText(int recordHandle, int itemHandle) {
  Variant v = GetValue(recordHandle, itemHandle);
  try {
    return v.IsNull() || v.IsEmpty() ? String() : v.AsString();
  } catch (EVariantError&) {
    return String();
  }
}

bool TcxCustomDataSource::GetInfoForCompare(int, int, const void*&) {
  cxDataControllerError(cxSDataCustomDataSourceInvalidCompare);
}

void TcxCustomDataSource::LoadRecordHandles() {
  TcxCustomDataProvider* p = Provider();
  if (p == nullptr) return;
  TcxCustomDataController* c = p->DataController();
  c->Storage()->ClearAll(p->DataChangedLocked());
  int n = std::max(0, GetRecordCount());
  c->Storage()->ChangeRecordsCount(n);
  TcxCustomDataField* h = c->RecordHandlesField();
  if (h == nullptr || h->ValueDef() == nullptr) return;
  for (int i = 0; i < n; ++i) c->Storage()->SetRecordValue(i, h->ValueDef(), Variant(GetRecordHandle(i)));
}

void TcxCustomDataSource::DataChanged() {
  TcxCustomDataProvider* p = Provider();
  if (p == nullptr) return;
  TcxCustomDataController* c = p->DataController();
  c->BeginUpdate();
  Finally end{[c] { c->EndUpdate(); }};
  p->DataChanged(dckAll, -1, -1);
}

int TcxCustomDataSource::GetRecordHandleByIndex(int recordIndex) {
  TcxCustomDataController* c = DataController();
  if (c == nullptr || c->RecordHandlesField() == nullptr) return recordIndex;
  Variant v = c->Storage()->RecordValue(recordIndex, c->RecordHandlesField()->ValueDef());
  return v.IsNull() || v.IsEmpty() ? -1 : v.AsInteger();
}

int TcxCustomDataSource::GetRecordIndexByHandle(int recordHandle) {
  TcxCustomDataController* c = DataController();
  if (c == nullptr || c->RecordHandlesField() == nullptr) return -1;
  TcxValueDef* def = c->RecordHandlesField()->ValueDef();
  for (int i = 0; i < c->Storage()->RecordsCount(); ++i) {
    Variant v = c->Storage()->RecordValue(i, def);
    if (!v.IsNull() && v.AsInteger() == recordHandle) return i;
  }
  return -1;
}

int TcxCustomDataSource::AddRecordHandle(int recordHandle) {
  TcxCustomDataController* c = DataController();
  if (c == nullptr || c->RecordHandlesField() == nullptr) return -1;
  int r = c->Storage()->AddRecord();
  c->Storage()->SetRecordValue(r, c->RecordHandlesField()->ValueDef(), Variant(recordHandle));
  return r;
}

// =============================================================================================
// Provider

TcxCustomDataProvider::TcxCustomDataProvider(TcxCustomDataController* controller) : controller_(controller) {}

TcxCustomDataProvider::~TcxCustomDataProvider() {
  if (customDataSource_ != nullptr) {
    auto& ps = customDataSource_->providers_;
    ps.erase(std::remove(ps.begin(), ps.end(), this), ps.end());
    if (customDataSource_->currentProvider_ == this) customDataSource_->currentProvider_ = nullptr;
  }
}

int TcxCustomDataProvider::HandleOf(int recordIndex) {
  customDataSource_->currentProvider_ = this;
  return customDataSource_->GetRecordHandleByIndex(recordIndex);
}

int TcxCustomDataProvider::ItemHandleOf(TcxCustomDataField* field) {
  return customDataSource_->GetItemHandle(field ? field->Index() : -1);
}

void TcxCustomDataProvider::NotifyDataSource() {
  if (customDataSource_ == nullptr) return;
  customDataSource_->currentProvider_ = this;
  customDataSource_->CustomSort();
}

bool TcxCustomDataProvider::IsCustomSorting() { return customDataSource_ && customDataSource_->IsCustomSorting(); }
bool TcxCustomDataProvider::IsRecordIdSupported() {
  return customDataSource_ && customDataSource_->IsRecordIdSupported();
}
bool TcxCustomDataProvider::CanDelete() { return controller_->GetRecordCount() > 0; }

bool TcxCustomDataProvider::CanInitEditing(int recordIndex) {
  bool ok = (recordIndex >= 0 && recordIndex < controller_->GetRecordCount()) ||
            (recordIndex < 0 && recordIndex != -1 &&
             (recordIndex == controller_->newItemRecordIndex_ || recordIndex == savedRecordIndex_));
  if (!ok) cxDataControllerError(cxSDataRecordIndexError);
  if (!IsEditing()) EditRecord();
  if (IsEditing()) BeginChanging();
  return true;
}

void TcxCustomDataProvider::BeginEditing() {
  TcxCustomDataController* c = controller_;
  if (c->IsNewItemRowEditing() && !IsInserting()) {
    Insert();
    return;
  }
  editingRecordIndex_ = c->GetFocusedRecordIndexForEditing();
  if (editingRecordIndex_ >= 0) {
    prevNeighbour_ = nextNeighbour_ = cxNullEditingRecordIndex;
    int r = c->FocusedRowIndex();
    if (r >= 0) {
      if (r < c->RowCount() - 1)
        nextNeighbour_ = c->RowInfoAt(r + 1).RecordIndex;
      else
        prevNeighbour_ = c->RowInfoAt(r == 0 ? r : r - 1).RecordIndex;
    }
  }
  if (editingRecordIndex_ == cxNullEditingRecordIndex) return;
  if ((!IsActiveDataSet() || c->NeedsFocusReset()) && !IsInserting()) SaveRecord(editingRecordIndex_);
  c->Change({dccUpdateRecord});
}

void TcxCustomDataProvider::SaveRecord(int recordIndex) {
  if (savedRecordIndex_ == 0) savedRecordIndex_ = controller_->NewInternalRecord();
  controller_->LoadRecord(recordIndex, savedRecordIndex_);
}

void TcxCustomDataProvider::FreeSavedRecord() {
  if (savedRecordIndex_ != 0) controller_->Storage()->RemoveInternalRecord(savedRecordIndex_);
  savedRecordIndex_ = 0;
}

void TcxCustomDataProvider::InsertOrAppend(bool append) {
  TcxCustomDataController* c = controller_;
  if (!IsActiveDataSet() && IsInserting() && !IsChanging() && !IsModified()) return;
  if (IsEditing() && (IsChanging() || IsModified()) && !IsActiveDataSet()) {
    if (IsChanging()) PostEditingData();
    Post();
  }
  c->DoBeforeInsert();
  {
    c->BeginInfoUpdate();
    Finally end{[c] { c->EndInfoUpdate(); }};
    std::vector<Variant> groupingValues;
    if (c->UseNewItemRowForEditing()) {
      int r = c->FocusedRecordIndex();
      if (r < 0 && c->RowCount() > 0) r = c->RowInfoAt(0).RecordIndex;
      editingRecordIndex_ = c->GetNewItemRecordIndex();
      c->SetNewItemRowFocused(true);
      groupingValues = c->GetGroupingValues(r);
    } else {
      if (!append) c->ClearSelection();
      if (IsGridMode()) {
        int r = c->GetFocusedRecordIndex();
        groupingValues = c->GetGroupingValues(r);
        editingRecordIndex_ = r;
      } else if (append) {
        int r = c->LastRecordIndex();
        groupingValues = c->GetGroupingValues(r);
        editingRecordIndex_ = c->AppendRecord();
        prevNeighbour_ = r;
      } else {
        int r = c->FocusedRecordIndex();
        if (r < 0) r = 0;
        groupingValues = c->GetGroupingValues(r);
        editingRecordIndex_ = c->InsertRecord(std::min(r, c->GetRecordCount()));
        nextNeighbour_ = r >= editingRecordIndex_ ? r + 1 : r;
      }
    }
    AssignGroupingValues(editingRecordIndex_, groupingValues);
    EndChanging();
    inserting_ = true;
  }
  c->ChangeFocusedRecordIndex(editingRecordIndex_);
  c->DoAfterInsert();
}

void TcxCustomDataProvider::AssignGroupingValues(int recordIndex, const std::vector<Variant>& values) {
  TcxCustomDataController* c = controller_;
  int levels = c->Groups()->GroupingLevelCount();
  if (levels > 0 && c->GetOptions().Contains(dcoAssignGroupingValues)) {
    for (int i = 0; i < levels && i < int(values.size()); ++i)
      SetGroupingValue(recordIndex, c->Info()->GroupingFields().Items(i).Field, values[std::size_t(i)]);
  }
  c->DoNewRecord(recordIndex);
}

void TcxCustomDataProvider::SetGroupingValue(int recordIndex, TcxCustomDataField* field, const Variant& value) {
  controller_->SetValue(recordIndex, field->Index(), value);
}

bool TcxCustomDataProvider::SetEditValue(int recordIndex, TcxCustomDataField* field, int valueSource,
                                         const Variant& value) {
  bool emptyText = valueSource == 1 && value.IsString() && value.StrRef().empty();
  controller_->SetValue(recordIndex, field->Index(), emptyText ? Null() : value);
  SetModified();
  return true;
}

Variant TcxCustomDataProvider::GetValue(int recordIndex, TcxCustomDataField* field, int) {
  if (recordIndex == cxNullEditingRecordIndex) cxDataControllerError(cxSDataRecordIndexError);
  return controller_->GetValueByField(recordIndex, field);
}

void TcxCustomDataProvider::UpdateData() {
  if (inUpdateData_ || !IsChanging()) return;
  inUpdateData_ = true;
  Finally f{[this] { inUpdateData_ = false; }};
  controller_->UpdateEditingData();
}

void TcxCustomDataProvider::Post() {
  TcxCustomDataController* c = controller_;
  c->BeginUpdate();
  Finally end{[c] { c->EndUpdate(); }};
  int posted = -1;
  bool didPost = false;
  UpdateData();
  if (IsInserting() && !IsModified()) {
    Cancel();
  } else {
    didPost = true;
    c->DoBeforePost();
    posted = editingRecordIndex_;
    if (IsInserting() && c->UseNewItemRowForEditing() && IsEditing()) {
      int source = editingRecordIndex_;
      dataChangedLocked_ = customDataSource_ != nullptr;
      Finally unlock{[this] { dataChangedLocked_ = false; }};
      int r = c->AppendRecord();
      insertedRecordIndex_ = posted = r;
      if (r >= 0) c->LoadRecord(source, r);
    }
    ResetEditing();
  }
  DataChanged(dckRecord, -1, posted);
  if (didPost) c->DoAfterPost();
}

bool TcxCustomDataProvider::Cancel() {
  TcxCustomDataController* c = controller_;
  c->DoBeforeCancel();
  {
    c->BeginInfoUpdate();
    Finally end{[c] { c->EndInfoUpdate(); }};
    int e = editingRecordIndex_;
    if (e != cxNullEditingRecordIndex && (e < c->GetRecordCount() || c->IsNewItemRecord(e))) {
      if (IsInserting()) {
        int f = c->FocusedRecordIndex();
        if (!c->IsNewItemRecord(e)) {
          editingRecordIndex_ = cxNullEditingRecordIndex;
          c->DeleteRecord(e);
        }
        if (!c->InCancel() && f >= c->GetRecordCount() && f > 0) c->ChangeFocusedRecordIndex(f - 1);
      } else if (savedRecordIndex_ != 0) {
        c->LoadRecord(savedRecordIndex_, e);
      }
    }
    ResetEditing();
  }
  c->DoAfterCancel();
  return true;
}

void TcxCustomDataProvider::ResetEditing() {
  TcxCustomDataController* c = controller_;
  if (editingRecordIndex_ != cxNullEditingRecordIndex && editingRecordIndex_ < -1 &&
      editingRecordIndex_ == c->newItemRecordIndex_) {
    // The new-item record keeps its slot but loses its values.
    c->Storage()->RemoveInternalRecord(editingRecordIndex_);
    c->newItemRecordIndex_ = 0;
  }
  editingRecordIndex_ = prevNeighbour_ = nextNeighbour_ = cxNullEditingRecordIndex;
  inserting_ = false;
  EndChanging();
  ResetModified();
  FreeSavedRecord();
}

void TcxCustomDataProvider::DataChanged(Byte kind, int itemIndex, int recordIndex) {
  if (notificationLockCount_ == 0) controller_->DataChanged(kind, itemIndex, recordIndex);
  if (dataChangedLocked_)
    EndChanging();
  else
    ResetEditing();
}

void TcxCustomDataProvider::SaveNearestRecord() {
  TcxCustomDataController* c = controller_;
  if (IsGridMode()) return;
  int r = c->FocusedRowIndex();
  if (r == -1) return;
  if (c->IsSingleSelection() || c->IsRowSelected(r) || c->CountSelectedRows() == 0)
    r = c->Info()->NearestRowIndex(r);
  if (r != -1) c->nearestRecordIndex_ = c->RowInfoAt(r).RecordIndex;
}

void TcxCustomDataProvider::ClearNearestRecord() { controller_->nearestRecordIndex_ = -1; }

int TcxCustomDataProvider::DeleteFocused() {
  TcxCustomDataController* c = controller_;
  int f = c->FocusedRecordIndex();
  if (f == -1) return -1;
  c->DoBeforeDelete(f);
  bool keys = c->IsProviderMode();
  if (keys) c->BeginKeepState();
  {
    Finally restore{[c, keys] {
      if (keys) c->EndKeepState();
    }};
    c->DeleteRecord(f);
    c->FocusNearestRecord();
  }
  c->DoAfterDelete();
  return 0;
}

void TcxCustomDataProvider::Delete(std::vector<int>& recordIndexes) {
  TcxCustomDataController* c = controller_;
  bool keys = c->IsProviderMode();
  if (keys) c->BeginKeepState();
  Finally restore{[c, keys] {
    if (keys) c->EndKeepState();
  }};
  {
    c->BeginUpdate();
    Finally end{[c] { c->EndUpdate(); }};
    for (int i = int(recordIndexes.size()) - 1; i >= 0; --i) {
      int r = recordIndexes[std::size_t(i)];
      c->DoBeforeDelete(r);
      c->DeleteRecord(r);
      c->DoAfterDelete();
    }
    if (c->InDeleteSelection()) c->ClearSelection();
  }
  c->FocusNearestRecord();
}

void TcxCustomDataProvider::DeleteSelection() {
  TcxCustomDataController* c = controller_;
  std::vector<int> list;
  TcxDataSelection* sel = c->Info()->Selection();
  for (int i = 0; i < sel->Count(); ++i) {
    const auto& e = sel->Entries(i);
    if (e.Level == -1)
      c->Groups()->CollectGroupRecords(list, e.RecordIndex);
    else
      list.push_back(e.RecordIndex);
  }
  c->inDeleteSelection_ = true;
  Finally f{[c] { c->inDeleteSelection_ = false; }};
  std::sort(list.begin(), list.end());
  list.erase(std::unique(list.begin(), list.end()), list.end());
  if (c->nearestRecordIndex_ != -1) {
    int n = c->nearestRecordIndex_;
    c->nearestRecordIndex_ -= int(std::count_if(list.begin(), list.end(), [n](int r) { return r <= n; }));
  }
  try {
    Delete(list);
  } catch (...) {
    c->nearestRecordIndex_ = c->FocusedRecordIndex();
    throw;
  }
}

int TcxCustomDataProvider::AppendRecord() {
  if (customDataSource_ == nullptr) return -1;
  customDataSource_->currentProvider_ = this;
  int h = customDataSource_->AppendRecord();
  return customDataSource_->GetRecordIndexByHandle(h);
}

int TcxCustomDataProvider::InsertRecord(int recordIndex) {
  if (customDataSource_ == nullptr) return -1;
  customDataSource_->currentProvider_ = this;
  int h = customDataSource_->GetRecordCount() != 0 ? customDataSource_->InsertRecord(HandleOf(recordIndex))
                                                    : customDataSource_->AppendRecord();
  return customDataSource_->GetRecordIndexByHandle(h);
}

void TcxCustomDataProvider::DeleteRecord(int recordIndex) {
  if (customDataSource_ == nullptr) return;
  customDataSource_->DeleteRecord(HandleOf(recordIndex));
}

bool TcxCustomDataProvider::GetDetailHasChildren(int recordIndex, int relationIndex) {
  if (customDataSource_ == nullptr) return false;
  customDataSource_->currentProvider_ = this;
  return customDataSource_->GetDetailHasChildren(recordIndex, relationIndex);
}

String TcxCustomDataProvider::GetDisplayText(int recordIndex, TcxCustomDataField* field) {
  if (customDataSource_ == nullptr) return String();
  int h = HandleOf(recordIndex);
  return customDataSource_->GetDisplayText(h, ItemHandleOf(field));
}

Variant TcxCustomDataProvider::GetRecordId(int recordIndex) {
  if (customDataSource_ == nullptr) return Null();
  return customDataSource_->GetRecordId(HandleOf(recordIndex));
}

Variant TcxCustomDataProvider::GetRecordValue(int recordIndex, TcxCustomDataField* field) {
  if (customDataSource_ == nullptr) return Null();
  int h = HandleOf(recordIndex);
  return customDataSource_->GetValue(h, ItemHandleOf(field));
}

int TcxCustomDataProvider::CompareRecords(int r1, int r2, TcxCustomDataField* field) {
  TcxDataStorage* st = controller_->Storage();
  TcxValueDef* def = field->ValueDef();
  if (def == nullptr) return 0;
  if (r1 < 0 && r2 < 0) return st->CompareRecordsOn(r1, r2, def);
  const void* p1 = nullptr;
  const void* p2 = nullptr;
  bool n1, n2;
  if (r1 < 0)
    n1 = st->PreparedValueOf(r1, def, p1);
  else
    n1 = !customDataSource_->GetInfoForCompare(HandleOf(r1), ItemHandleOf(field), p1);
  if (r2 < 0)
    n2 = st->PreparedValueOf(r2, def, p2);
  else
    n2 = !customDataSource_->GetInfoForCompare(HandleOf(r2), ItemHandleOf(field), p2);
  return def->CompareWithNullFlags(n1, n2, p1, p2);
}

int TcxCustomDataProvider::NativeCompare(int r1, int r2, TcxCustomDataField* field) {
  int h1 = HandleOf(r1);
  int h2 = HandleOf(r2);
  return customDataSource_->NativeCompareFunc(h1, h2, ItemHandleOf(field));
}

void TcxCustomDataProvider::SetRecordCount(int count) {
  if (customDataSource_ == nullptr) return;
  customDataSource_->currentProvider_ = this;
  customDataSource_->SetRecordCount(count);
}

void TcxCustomDataProvider::SetValue(int recordIndex, TcxCustomDataField* field, const Variant& value) {
  if (customDataSource_ == nullptr) return;
  int h = HandleOf(recordIndex);
  customDataSource_->SetValue(h, ItemHandleOf(field), value);
}

void TcxCustomDataProvider::ActiveChanged(bool active) {
  controller_->ActiveChanged(active);
  ResetEditing();
}

void TcxCustomDataProvider::LayoutChanged() {
  controller_->ProviderLayoutChanged();
  EndChanging();
}

void TcxCustomDataProvider::UpdateItems(bool) { controller_->LayoutChanged(1); }

void TcxCustomDataProvider::SetCustomDataSource(TcxCustomDataSource* source) {
  if (!IsCustomDataSourceSupported() || source == customDataSource_) return;
  if (customDataSource_ != nullptr) {
    auto& ps = customDataSource_->providers_;
    ps.erase(std::remove(ps.begin(), ps.end(), this), ps.end());
    if (customDataSource_->currentProvider_ == this) customDataSource_->currentProvider_ = nullptr;
  }
  customDataSource_ = source;
  if (source != nullptr) {
    source->providers_.push_back(this);
    source->currentProvider_ = this;
  }
  if (!controller_->destroying_) {
    controller_->SetInSetCustomDataSource(true);
    Finally f{[this] { controller_->SetInSetCustomDataSource(false); }};
    controller_->UpdateStructure();
  }
}

void TcxCustomDataProvider::LoadRecordHandles() {
  if (customDataSource_ == nullptr) return;
  customDataSource_->currentProvider_ = this;
  customDataSource_->LoadRecordHandles();
}

int TcxCustomDataProvider::AddRecordFromSource(int recordHandle) {
  if (customDataSource_ == nullptr) return -1;
  customDataSource_->currentProvider_ = this;
  return customDataSource_->AddRecordHandle(recordHandle);
}

int TcxCustomDataProvider::AppendSourceRecord() {
  if (customDataSource_ == nullptr) return -1;
  customDataSource_->currentProvider_ = this;
  return customDataSource_->AppendRecord();
}

std::unique_ptr<TcxValueDefReader> TcxCustomDataProvider::CreateValueDefReader() {
  return std::make_unique<TcxValueDefReader>();
}

// =============================================================================================
// Controller: construction, destruction, assignment

TcxCustomDataController::TcxCustomDataController(TComponent* owner) : owner_(owner) {
  options_ = {dcoAssignGroupingValues, dcoAssignMasterDetailKeys, dcoSaveExpanding};
  storage_ = std::make_unique<TcxDataStorage>();
  groups_ = std::make_unique<TcxDataControllerGroups>(this);
  fields_ = std::make_unique<TcxCustomDataFieldList>(this);
  filter_.reset(CreateFilterCriteria());
  search_.reset(CreateSearch());
  summary_ = std::make_unique<TcxDataSummary>(this);
  provider_.reset(CreateDataProvider());
  info_ = std::make_unique<TcxCustomDataControllerInfo>(this);
  ResetDataChangeInfo();
  storage_->OnClearInternalRecords = [this](TcxDataStorage*) { ClearInternalRecordsHandler(); };
  UpdateUseRecordIDs();
}

void TcxCustomDataController::RecreateCompanions() {
  provider_.reset(CreateDataProvider());
  filter_.reset(CreateFilterCriteria());
  info_->RecreateSelection();
}

TcxCustomDataController::~TcxCustomDataController() {
  destroying_ = true;
  if (masterRelation_ != nullptr && masterRelation_->detail_ == this) masterRelation_->detail_ = nullptr;
  // The detail controllers (owned by the link objects of the master records) go first, while
  // the relations they name still exist.
  if (relations_ && relations_->RelationDataField() != nullptr)
    for (int r = 0; r < storage_->RecordsCount(); ++r) relations_->ClearDetailLinks(r, -1);
  relations_.reset();
  info_.reset();
  summary_.reset();
  filter_.reset();
  std::vector<TcxDataFilterCriteria*> filters;
  filters.swap(filters_);
  for (auto it = filters.rbegin(); it != filters.rend(); ++it) delete *it;
  storage_->OnClearInternalRecords = nullptr;
  storage_->ClearAll(false);
  groups_.reset();
  fields_.reset();
  storage_.reset();
  provider_.reset();
  search_.reset();
  for (auto it = listenerLinks_.rbegin(); it != listenerLinks_.rend(); ++it) (*it)->DataController = nullptr;
  listenerLinks_.clear();
}

void TcxCustomDataController::BeforeDestruction() {
  destroying_ = true;
  TPersistent::BeforeDestruction();
}

void TcxCustomDataController::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TcxCustomDataController*>(source);
  if (src == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  SetOptions(src->GetOptions());
  filter_->Assign(src->filter_.get());
  summary_->Assign(src->summary_.get());
  OnAfterCancel = src->OnAfterCancel;
  OnAfterDelete = src->OnAfterDelete;
  OnAfterInsert = src->OnAfterInsert;
  OnAfterPost = src->OnAfterPost;
  OnBeforeCancel = src->OnBeforeCancel;
  OnBeforeDelete = src->OnBeforeDelete;
  OnBeforeInsert = src->OnBeforeInsert;
  OnBeforePost = src->OnBeforePost;
  SetOnFilterRecord(src->OnFilterRecord_);
  OnNewRecord = src->OnNewRecord;
  OnCompare = src->OnCompare;
  OnDataChanged = src->OnDataChanged;
  OnDetailCollapsing = src->OnDetailCollapsing;
  OnDetailCollapsed = src->OnDetailCollapsed;
  OnDetailExpanding = src->OnDetailExpanding;
  OnDetailExpanded = src->OnDetailExpanded;
  OnGroupingChanged = src->OnGroupingChanged;
  OnRecordChanged = src->OnRecordChanged;
  OnSortingChanged = src->OnSortingChanged;
}

void TcxCustomDataController::SetOnFilterRecord(const TcxDataFilterRecordEvent& handler) {
  // std::function has no comparable code pointer: assigning a handler, or clearing a set one,
  // counts as a change.
  if (!handler && !OnFilterRecord_) return;
  OnFilterRecord_ = handler;
  filter_->SignalChanged();
}

void TcxCustomDataController::SetOptions(TcxDataControllerOptions value) {
  if (value == options_) return;
  options_ = value;
  Refresh();
}

TcxDataController::TcxDataController(TComponent* owner) : TcxCustomDataController(owner) {
  TcxCustomDataController::ActiveChanged(true);
}

// =============================================================================================
// Items and fields

TcxCustomDataField* TcxCustomDataController::NewField() { return new TcxCustomDataField(fields_.get()); }

TcxCustomDataField* TcxCustomDataController::CreateInternalField() {
  TcxCustomDataField* f = NewField();
  f->internal_ = true;
  fields_->AddField(f);
  return f;
}

TcxCustomDataField* TcxCustomDataController::CreateField() {
  TcxCustomDataField* f = NewField();
  fields_->AddField(f);
  return f;
}

TcxCustomDataField* TcxCustomDataController::AddItem(TObject* item) {
  if (item != nullptr && fields_->FieldByItem(item) != nullptr) cxDataControllerError(cxSDataItemExistError);
  TcxCustomDataField* f = CreateField();
  f->SetItem(item);
  return f;
}

void TcxCustomDataController::RemoveItem(TObject* item) {
  TcxCustomDataField* f = fields_->FieldByItem(item);
  if (f == nullptr) return;
  BeginInfoUpdate();
  Finally end{[this] { EndInfoUpdate(); }};
  info_->RemoveField(f);
  delete f;
}

void TcxCustomDataController::UpdateItemIndexes() {
  for (int i = 0; i < GetItemCount(); ++i) {
    TcxCustomDataField* f = fields_->FieldByItem(GetItem(i));
    if (f != nullptr) f->MoveTo(i);
  }
  Change({dccLayout});
}

TObject* TcxCustomDataController::GetItem(int index) {
  CheckItemRange(index);
  return fields_->Items(index)->Item();
}

int TcxCustomDataController::GetItemCount() const { return fields_->ExternalCount(); }

void TcxCustomDataController::CheckItemRange(int itemIndex) const {
  if (itemIndex < 0 || itemIndex >= GetItemCount()) cxDataControllerError(cxSDataItemIndexError);
}

TcxCustomDataField* TcxCustomDataController::FieldOfItem(int itemIndex) const {
  CheckItemRange(itemIndex);
  return fields_->Items(itemIndex);
}

TcxValueTypeClass TcxCustomDataController::ItemValueTypeClass(int itemIndex) {
  return FieldOfItem(itemIndex)->ValueTypeClass();
}
bool TcxCustomDataController::GetItemValueCompare(int itemIndex) { return FieldOfItem(itemIndex)->ValueCompare(); }
bool TcxCustomDataController::GetItemTextStored(int itemIndex) { return FieldOfItem(itemIndex)->IsTextStored(); }

void TcxCustomDataController::ChangeItemValueCompare(int itemIndex, bool value) {
  if (GetItemValueCompare(itemIndex) == value) return;
  TcxCustomDataField* f = FieldOfItem(itemIndex);
  f->SetValueCompare(value);
  info_->UpdateField(f);
}

void TcxCustomDataController::ChangeTextStored(int itemIndex, bool value) {
  if (GetItemTextStored(itemIndex) == value) return;
  TcxCustomDataField* f = FieldOfItem(itemIndex);
  f->ChangeTextStored(value);
  info_->UpdateField(f);
}

void TcxCustomDataController::ChangeValueTypeClass(int itemIndex, TcxValueTypeClass value) {
  TcxCustomDataField* f = FieldOfItem(itemIndex);
  if (f->ValueTypeClass() == value) return;
  f->ChangeValueTypeClass(value);
  if (IsProviderMode()) UpdateStructure();
  info_->UpdateField(f);
  ItemValueTypeClassChanged(itemIndex);
}

TObject* TcxCustomDataController::FindItemByID(int id) {
  for (int i = 0; i < GetItemCount(); ++i)
    if (GetItemID(GetItem(i)) == id) return GetItem(i);
  return nullptr;
}

TObject* TcxCustomDataController::FindItemByName(const String& name) {
  for (int i = 0; i < GetItemCount(); ++i)
    if (SameText(GetItemName(GetItem(i)), name)) return GetItem(i);
  return nullptr;
}

String TcxCustomDataController::GetItemName(TObject* item) {
  auto* c = dynamic_cast<TComponent*>(item);
  return c ? c->Name() : String();
}

void TcxCustomDataController::ComponentRemoved(TComponent* component) { fields_->ComponentRemoved(component); }

void TcxCustomDataController::FieldRemoved(TcxCustomDataField* field) {
  if (field == recordHandlesField_) recordHandlesField_ = nullptr;
  if (relations_) relations_->FieldRemoved(field);
  for (auto* f : filters_) f->RemoveField(field);
  if (filter_) filter_->RemoveField(field);
  if (summary_) summary_->DropFieldItems(field);
  if (field == incrementalFilterField_) {
    if (destroying_)
      incrementalFilterField_ = nullptr;
    else
      ResetIncrementalFilter();
  }
  if (field == incrementalSearchField_) {
    if (search_ && !destroying_) search_->Cancel();
    incrementalSearchField_ = nullptr;
  }
  if (field == sortingBySummaryField_) {
    if (destroying_)
      sortingBySummaryField_ = nullptr;
    else
      SetSortingBySummaryDataItemIndex(-1);
  }
  if (info_) info_->RemoveField(field);
}

// =============================================================================================
// Brackets and change delivery

void TcxCustomDataController::EndInfoUpdate() {
  info_->Unlock();
  CheckChanges();
}

void TcxCustomDataController::EndUpdateFields() {
  if (--updateFieldsLockCount_ == 0 && updateFieldsPending_) {
    updateFieldsPending_ = false;
    LayoutChanged(1);
  }
}

void TcxCustomDataController::BeginKeepState() {
  if (keptStateLockCount_++ == 0) {
    BeginUpdate();
    keptState_ = std::make_unique<TcxSaveObject>();
    if (!destroying_ && HasRecordKeys()) keptState_->SaveFrom(this);
  }
}

void TcxCustomDataController::EndKeepState() {
  if (--keptStateLockCount_ != 0) return;
  Finally end{[this] {
    keptState_.reset();
    EndUpdate();
  }};
  if (destroying_) return;
  if (HasRecordKeys())
    keptState_->RestoreTo(this);
  else
    CheckSelectionAndBookmark(-1);
}

void TcxCustomDataController::BeginLocate() {
  ++locateCount_;
  provider_->BeginLocate();
}

void TcxCustomDataController::EndLocate() {
  provider_->EndLocate();
  --locateCount_;
}

bool TcxCustomDataController::IsNotificationLocked() const { return provider_->NotificationLockCount() != 0; }

void TcxCustomDataController::Change(TcxDataControllerChanges changes) {
  changes_ += changes;
  CheckChanges();
}

void TcxCustomDataController::NotifyControl(TcxUpdateControlInfo* info) {
  std::unique_ptr<TcxUpdateControlInfo> owned(info);
  inNotifyControl_ = true;
  Finally f{[this] { inNotifyControl_ = false; }};
  UpdateControl(info);
}

void TcxCustomDataController::UpdateControl(TcxUpdateControlInfo* info) {
  if (OnUpdateControl) OnUpdateControl(info);
}

void TcxCustomDataController::CheckChanges() {
  if (info_->LockCount() != 0) return;
  BeforeNotifyChanges();
  if (changes_.Empty()) return;
  if (structureChanged_) {
    structureChanged_ = false;
    LayoutChanged(1);
  }
  DispatchChanges();
}

void TcxCustomDataController::DispatchChanges() {
  TcxDataControllerChanges c = changes_;
  changes_.Clear();
  if (c.Contains(dccData)) {
    NotifyDataChanged();
  } else if (c.Contains(dccLayout) || c.Contains(dccDetail) || c.Contains(dccExpanding)) {
    NotifyControl(new TcxLayoutChangedInfo);
  } else if (c.Contains(dccUpdateRecord)) {
    NotifyControl(new TcxUpdateRecordInfo(FocusedRecordIndex()));
    search_->Cancel();
  }
  if (c.Contains(dccFocus)) NotifyFocusChanged();
  if (c.Contains(dccSelection)) NotifySelectionChanged();
  if (c.Contains(dccSearch)) NotifyControl(new TcxSearchChangedInfo);
  if (c.Contains(dccBookmark)) NotifyControl(new TcxBookmarkChangedInfo);
  bool reading = owner_ && owner_->ComponentState().Contains(csReading);
  if (c.Contains(dccDetailData) && DetailMode() == 2)
    if (TcxCustomDataController* pattern = GetPatternDataController()) pattern->CheckFocusing();
  if (c.Contains(dccGrouping) && !reading && OnGroupingChanged) OnGroupingChanged(this);
  if (c.Contains(dccSorting) && !reading && !inSortingChangedEvent_ && OnSortingChanged) {
    inSortingChangedEvent_ = true;
    Finally f{[this] { inSortingChangedEvent_ = false; }};
    OnSortingChanged(this);
  }
}

void TcxCustomDataController::ResetDataChangeInfo() {
  dataChangeKind_ = dckAll;
  dataChangeItem_ = -1;
  dataChangeRecord_ = -1;
  dataChangeSet_ = false;
}

bool TcxCustomDataController::IsNewItemRecord(int recordIndex) {
  return useNewItemRowForEditing_ && newItemRecordIndex_ != 0 && recordIndex == newItemRecordIndex_;
}

void TcxCustomDataController::NotifyDataChanged() {
  Finally reset{[this] { ResetDataChangeInfo(); }};
  Byte kind = dataChangeKind_;
  if (kind == dckValue && dataChangeItem_ == -1) kind = dckRecord;
  if (kind < dckAdded && dataChangeRecord_ == -1 && !IsNewItemRecord(dataChangeRecord_)) kind = dckAll;
  dataChangeKind_ = kind;
  NotifyControl(new TcxDataChangedInfo(kind, dataChangeItem_, dataChangeRecord_));
  DoDataChanged();
}

void TcxCustomDataController::DoDataChanged() {
  if (IsDestroying()) return;
  if (!OnDataChanged && !OnRecordChanged && dataChangedListeners_.empty()) return;
  if (IsLoading()) {
    dataChangedPending_ = true;
    return;
  }
  dataChangedPending_ = false;
  if (!IsPattern()) {
    if (dataChangeKind_ < dckAdded && (dataChangeRecord_ != -1 || IsNewItemRecord(dataChangeRecord_)) &&
        OnRecordChanged)
      OnRecordChanged(this, dataChangeRecord_, dataChangeItem_);
    if (OnDataChanged) OnDataChanged(this);
  }
  if (!(IsGridMode() && provider_->LocateCount() != 0)) {
    auto listeners = dataChangedListeners_;
    for (auto& l : listeners) l.Handler(this);
  }
}

void TcxCustomDataController::AddDataChangedListener(TObject* object, const TcxSenderEvent& handler) {
  dataChangedListeners_.push_back({object, handler});
}

void TcxCustomDataController::RemoveDataChangedListener(TObject* object) {
  for (auto it = dataChangedListeners_.begin(); it != dataChangedListeners_.end(); ++it)
    if (it->Object == object) {
      dataChangedListeners_.erase(it);
      return;
    }
}

void TcxCustomDataController::DataChanged(Byte kind, int itemIndex, int recordIndex) {
  // Merge the new change into the pending description. A pending change of several records
  // (added, deleted or everything) stays that wide: a later value change must not make the
  // owner believe that only one value changed.
  bool recordPending = dataChangeSet_ && (dataChangeRecord_ != -1 || IsNewItemRecord(dataChangeRecord_));
  if (dataChangeSet_ && dataChangeKind_ >= dckAdded && kind < dckAdded) {
    // keep the wide kind
  } else if (dataChangeSet_ && ((dataChangeKind_ == dckAdded && kind == dckDeleted) ||
                                (dataChangeKind_ == dckDeleted && kind == dckAdded) ||
                                (dataChangeKind_ == dckAll))) {
    dataChangeKind_ = dckAll;
  } else if (recordPending && recordIndex != dataChangeRecord_) {
    dataChangeKind_ = dckAll;
  } else if (!dataChangeSet_ || kind != dckValue || dataChangeItem_ == -1 || itemIndex == dataChangeItem_) {
    dataChangeKind_ = kind;
  } else {
    dataChangeKind_ = dckRecord;
    itemIndex = -1;
  }
  bool wide = dataChangeKind_ == dckAdded || dataChangeKind_ == dckDeleted;
  dataChangeItem_ = wide ? -1 : itemIndex;
  dataChangeRecord_ = wide ? -1 : recordIndex;
  dataChangeSet_ = true;
  if (kind == dckAll) {
    UpdateData(false);
  } else {
    if (kind == dckAdded || kind == dckDeleted) info_->FocusedRecordChanged(false);
    info_->RefreshRecords();
  }
  CheckMasterHasChildren();
}

void TcxCustomDataController::NotifyFocusChanged() {
  TcxDataFocusingInfo& cur = info_->FocusingInfo();
  if (reportedFocus_.RowIndex != cur.RowIndex)
    NotifyControl(new TcxFocusedRowChangedInfo(cur.RowIndex, reportedFocus_.RowIndex));
  if (reportedFocus_.RecordIndex >= 0 || cur.RecordIndex >= 0 || reportedFocus_.PrevNewItemRowFocused)
  {
    NotifyControl(new TcxFocusedRecordChangedInfo(reportedFocus_.RecordIndex, cur.RecordIndex, cur.RowIndex,
                                                  reportedFocus_.RowIndex, reportedFocus_.PrevNewItemRowFocused));
    search_->Cancel();
  }
  reportedFocus_.CopyFrom(cur);
}

void TcxCustomDataController::NotifySelectionChanged() {
  int count = CountSelectedRows();
  selectedCount_ = count;
  auto* info = new TcxSelectionChangedInfo;
  if (count <= 1) {
    selectedRow_ = count == 1 ? GetSelectedRowIndex(0) : -1;
    if (prevSelectedCount_ <= 1) {
      int a = prevSelectedCount_ == 1 ? prevSelectedRow_ : -1;
      if (a != -1) info->RowIndexes.push_back(a);
      if (selectedRow_ != -1 && selectedRow_ != a) info->RowIndexes.push_back(selectedRow_);
    }
  }
  prevSelectedCount_ = selectedCount_;
  prevSelectedRow_ = selectedRow_;
  NotifyControl(info);
}

void TcxCustomDataController::UpdatePrevSelectionInfo() {
  if (prevSelectedCount_ != 1) return;
  prevSelectedCount_ = CountSelectedRows();
  prevSelectedRow_ = prevSelectedCount_ >= 1 ? GetSelectedRowIndex(0) : -1;
}

void TcxCustomDataController::DoPendingNotifications() {
  if (dataChangedPending_) DoDataChanged();
  if (afterSummaryPending_) summary_->DoAfterSummary();
}

void TcxCustomDataController::NotifyGroupingChanging() { NotifyControl(new TcxGroupingChangingInfo); }

bool TcxCustomDataController::IsDestroying() const {
  return destroying_ || (owner_ && owner_->ComponentState().Contains(csDestroying));
}

bool TcxCustomDataController::IsLoading() const { return owner_ && owner_->ComponentState().Contains(csLoading); }

// =============================================================================================
// Structure and loading

void TcxCustomDataController::ActiveChanged(bool active) {
  active_ = active;
  UpdateItems(provider_->IsDataAvailable());
  CheckMasterHasChildren();
}

void TcxCustomDataController::LayoutChanged(int) { UpdateItems(provider_->IsDataAvailable()); }

void TcxCustomDataController::UpdateItems(bool updateFields) {
  if (updatingItems_) return;
  updatingItems_ = true;
  Finally f{[this] { updatingItems_ = false; }};
  if (info_->LockCount() != 0) structureChanged_ = true;
  if (IsStructureRecreated()) UpdateData(updateFields);
}

void TcxCustomDataController::UpdateData(bool updateFields) {
  BeginUpdate();
  Finally end{[this] {
    updatingItems_ = false;
    structureRecreated_ = false;
    EndUpdate();
  }};
  if (IsStructureRecreated()) {
    if (updateFields || provider_->IsStructureAvailable()) {
      if (updateFieldsLockCount_ > 0)
        updateFieldsPending_ = true;
      else if (!provider_->IsGridModeUpdating())
        UpdateFields();
    }
    if (!structureChanged_) ClearData();
  }
  info_->RefreshRecords();
}

void TcxCustomDataController::UpdateFields() {
  for (int i = 0; i < fields_->Count(); ++i) fields_->Items(i)->SetProcessed(false);
  bool restart = true;
  while (restart) {
    restart = false;
    for (int i = 0; i < fields_->Count(); ++i) {
      TcxCustomDataField* f = fields_->Items(i);
      if (f->Processed()) continue;
      fields_->SetFieldDestroyed(false);
      UpdateField(f);
      if (fields_->FieldDestroyed()) {
        restart = true;
        break;
      }
      f->SetProcessed(true);
    }
  }
}

void TcxCustomDataController::UpdateStructure() {
  BeginUpdate();
  Finally end{[this] { EndUpdate(); }};
  provider_->ResetEditing();
  if (!IsUnboundStorage() || (inSetCustomDataSource_ && provider_->CustomDataSource() == nullptr))
    storage_->ClearAll(false);
  ClearBookmark();
  CheckSelectionAndBookmark(-1);
  storage_->SetInRecordValuesOnly(IsProviderMode() || IsGridMode());
  UpdateUseRecordIDs();
  if (provider_->CustomDataSource() == nullptr) {
    if (recordHandlesField_ != nullptr) delete recordHandlesField_;
  } else if (recordHandlesField_ == nullptr) {
    recordHandlesField_ = CreateInternalField();
    recordHandlesField_->ChangeValueTypeClass(TcxIntegerValueType::Class());
  }
  structureRecreated_ = true;
  LayoutChanged(2);
}

bool TcxCustomDataController::IsStructureRecreated() { return IsProviderMode() || structureRecreated_; }

bool TcxCustomDataController::IsProviderMode() const { return provider_ && provider_->CustomDataSource() != nullptr; }

bool TcxCustomDataController::IsUnboundStorage() {
  return provider_->IsCustomDataSourceSupported() && provider_->CustomDataSource() == nullptr;
}

void TcxCustomDataController::UpdateUseRecordIDs() { storage_->SetRecordIDsUsed(IsUnboundStorage() && NeedsRecordIDs()); }

void TcxCustomDataController::ClearData() {
  if (!(IsSmartLoad() && inSmartLoad_)) storage_->ClearAll(provider_->DataChangedLocked());
  if (provider_->IsDataAvailable() && !IsSmartLoad()) {
    if (!IsPattern()) LoadRecordsFromProvider();
    inLoadStorage_ = true;
    Finally f{[this] { inLoadStorage_ = false; }};
    CheckSelectionAndBookmark(-1);
    CheckFocusing();
  }
  Change({dccData});
  DataLoaded();
}

void TcxCustomDataController::LoadRecordsFromProvider() {
  TcxCustomDataProvider* p = provider_.get();
  if (p->IsGridMode()) {
    storage_->StartLoad();
    Finally f{[this] { storage_->FinishLoad(); }};
    p->LoadGridModeBuffer();
    return;
  }
  p->LockNotification();
  Finally unlock{[p] { p->UnlockNotification(); }};
  p->BeginLoad();
  p->First();
  if (p->RecreatedFields()) UpdateFields();
  if (IsProviderMode()) {
    p->LoadRecordHandles();
  } else {
    std::unique_ptr<TcxValueDefReader> reader = p->CreateValueDefReader();
    while (!p->IsEOF()) {
      int r = storage_->AddRecord();
      storage_->LoadRecordFromReader(r, reader.get());
      RecordAppended(r);
      p->Next();
    }
  }
  storageLoaded_ = p->Activating();
  p->EndLoad();
}

void TcxCustomDataController::ClearInternalRecordsHandler() {
  provider_->SetSavedRecordIndex(0);
  newItemRecordIndex_ = 0;
}

int TcxCustomDataController::NewInternalRecord() {
  // Internal records count down from -1, but -1 means "no record" everywhere: the slot -1 is
  // taken by an empty placeholder so that no real internal record ever gets that index.
  int r = storage_->NewInternalRecord();
  while (r == -1) r = storage_->NewInternalRecord();
  return r;
}

void TcxCustomDataController::CheckFocusing() {
  if (!(locateCount_ != 0 && info_->focusing_)) info_->CheckFocusingRecord();
}

void TcxCustomDataController::FilterChanged() {
  focusCheckAfterFilter_ = true;
  Cancel();
  Refresh();
  CheckBookmarkValid(-1);
  UpdatePrevSelectionInfo();
}

void TcxCustomDataController::SummaryChanged(bool redrawOnly) { info_->SummaryChanged(redrawOnly); }

void TcxCustomDataController::Refresh() {
  BeginInfoUpdate();
  Finally end{[this] { EndInfoUpdate(); }};
  info_->RefreshRecords();
}

bool TcxCustomDataController::RefreshIfSorted(int itemIndex) {
  if (itemIndex != -1 && ItemSortOrder(itemIndex) == soNone) return false;
  Refresh();
  return true;
}

TcxDataFilterCriteria* TcxCustomDataController::CreateFilter() {
  auto* f = CreateFilterCriteria();
  filters_.push_back(f);
  return f;
}

void TcxCustomDataController::DestroyFilter(TcxDataFilterCriteria* filter) {
  auto it = std::find(filters_.begin(), filters_.end(), filter);
  if (it == filters_.end()) return;
  filters_.erase(it);
  delete filter;
}

TcxDataFilterCriteria* TcxCustomDataController::CreateFilterCriteria() { return new TcxDataFilterCriteria(this); }
TcxCustomDataProvider* TcxCustomDataController::CreateDataProvider() { return new TcxCustomDataProvider(this); }
TcxDataSelection* TcxCustomDataController::CreateDataSelection() { return new TcxDataSelection(this); }

void TcxCustomDataController::BeginDataLoad() { provider_->BeginLoad(); }
void TcxCustomDataController::EndDataLoad() { provider_->EndLoad(); }

void TcxCustomDataController::CheckSelectionAndBookmark(int recordIndex) {
  info_->CheckSelection();
  CheckBookmarkValid(recordIndex);
}

void TcxCustomDataController::CheckEditingRecordDeleted(int recordIndex) {
  int e = provider_->EditingRecordIndex();
  if ((recordIndex >= 0 && recordIndex <= e) || (e != cxNullEditingRecordIndex && e >= GetRecordCount()))
    provider_->ResetEditing();
}

void TcxCustomDataController::RecordAppended(int recordIndex) { provider_->RecordAppended(recordIndex); }

// =============================================================================================
// Events

void TcxCustomDataController::DoAfterCancel() {
  if (OnAfterCancel) OnAfterCancel(this);
}
void TcxCustomDataController::DoAfterDelete() {
  if (OnAfterDelete) OnAfterDelete(this);
}
void TcxCustomDataController::DoAfterInsert() {
  if (OnAfterInsert) OnAfterInsert(this);
}
void TcxCustomDataController::DoAfterPost() {
  if (OnAfterPost) OnAfterPost(this);
}
void TcxCustomDataController::DoBeforeCancel() {
  if (OnBeforeCancel) OnBeforeCancel(this);
}
void TcxCustomDataController::DoBeforeDelete(int recordIndex) {
  if (OnBeforeDelete) OnBeforeDelete(this, recordIndex);
}
void TcxCustomDataController::DoBeforeInsert() {
  if (OnBeforeInsert) OnBeforeInsert(this);
}
void TcxCustomDataController::DoBeforePost() {
  if (OnBeforePost) OnBeforePost(this);
}
bool TcxCustomDataController::DoFilterRecord(int recordIndex) {
  bool accept = true;
  if (OnFilterRecord_) OnFilterRecord_(this, recordIndex, accept);
  return accept;
}
void TcxCustomDataController::DoNewRecord(int recordIndex) {
  if (OnNewRecord) OnNewRecord(this, recordIndex);
}
bool TcxCustomDataController::DoDetailExpandingOrCollapsing(int recordIndex, bool expanding) {
  bool allow = true;
  if (expanding && OnDetailExpanding) OnDetailExpanding(this, recordIndex, allow);
  if (!expanding && OnDetailCollapsing) OnDetailCollapsing(this, recordIndex, allow);
  return allow;
}

// =============================================================================================
// Values and records

void TcxCustomDataController::CheckRecordRange(int recordIndex) {
  GetNewItemRecordIndex();
  if ((recordIndex < 0 || recordIndex >= GetRecordCount()) && recordIndex != newItemRecordIndex_ &&
      (recordIndex == -1 || recordIndex != provider_->SavedRecordIndex()))
    cxDataControllerError(cxSDataRecordIndexError);
}

int TcxCustomDataController::GetNewItemRecordIndex() {
  if (newItemRecordIndex_ == 0) newItemRecordIndex_ = NewInternalRecord();
  return newItemRecordIndex_;
}

int TcxCustomDataController::GetRecordCount() const { return storage_->RecordsCount(); }

bool TcxCustomDataController::IsProviderField(TcxCustomDataField* field) {
  if (!field->IsInternal()) return true;
  return field->ReferenceField() != nullptr && !field->ReferenceField()->IsInternal();
}

Variant TcxCustomDataController::GetValueByField(int recordIndex, TcxCustomDataField* field) {
  if (IsProviderMode() && recordIndex >= 0 && IsProviderField(field))
    return provider_->GetRecordValue(recordIndex, field);
  return GetStoredValue(recordIndex, field);
}

Variant TcxCustomDataController::GetStoredValue(int recordIndex, TcxCustomDataField* field) {
  if (IsGridMode() && IsProviderField(field)) return provider_->GetGridModeValue(recordIndex, field);
  TcxValueDef* def = field->ValueDef();
  return def ? storage_->RecordValue(recordIndex, def) : Null();
}

Variant TcxCustomDataController::GetValue(int recordIndex, int itemIndex) {
  CheckRecordRange(recordIndex);
  return GetValueByField(recordIndex, FieldOfItem(itemIndex));
}

String TcxCustomDataController::GetDisplayText(int recordIndex, int itemIndex) {
  CheckRecordRange(recordIndex);
  return GetDisplayTextByField(recordIndex, FieldOfItem(itemIndex));
}

String TcxCustomDataController::GetDisplayTextByField(int recordIndex, TcxCustomDataField* field) {
  if (IsProviderMode() && recordIndex >= 0 && IsProviderField(field))
    return provider_->GetDisplayText(recordIndex, field);
  if (IsGridMode() && IsProviderField(field)) return provider_->GetGridModeDisplayText(recordIndex, field);
  TcxValueDef* def = field->ValueDef();
  return def ? storage_->RecordText(recordIndex, def) : String();
}

void TcxCustomDataController::SetValue(int recordIndex, int itemIndex, const Variant& value) {
  if (IsGridMode()) return;
  CheckRecordRange(recordIndex);
  TcxCustomDataField* f = FieldOfItem(itemIndex);
  if (IsProviderMode() && recordIndex >= 0) {
    provider_->SetValue(recordIndex, f, value);
    DataChanged(dckValue, itemIndex, recordIndex);
  } else if (f->ValueDef() != nullptr) {
    storage_->SetRecordValue(recordIndex, f->ValueDef(), value);
    DataChanged(dckValue, itemIndex, recordIndex);
  }
}

void TcxCustomDataController::SetDisplayText(int recordIndex, int itemIndex, const String& text) {
  if (IsGridMode()) return;
  CheckRecordRange(recordIndex);
  TcxCustomDataField* f = FieldOfItem(itemIndex);
  if (IsProviderMode() && recordIndex >= 0) {
    provider_->SetDisplayText(recordIndex, f, text);
    DataChanged(dckValue, itemIndex, recordIndex);
  } else if (f->ValueDef() != nullptr) {
    storage_->SetRecordText(recordIndex, f->ValueDef(), text);
    DataChanged(dckValue, itemIndex, recordIndex);
  }
}

void TcxCustomDataController::SetRecordCount(int count) {
  if (IsGridMode()) return;
  count = std::max(0, count);
  if (IsProviderMode()) {
    provider_->SetRecordCount(count);
    return;
  }
  int old = GetRecordCount();
  if (count == old) return;
  storage_->ChangeRecordsCount(count);
  CheckSelectionAndBookmark(-1);
  CheckEditingRecordDeleted(-1);
  DataChanged(count > old ? dckAdded : dckDeleted, -1, -1);
}

Variant TcxCustomDataController::GetRecordId(int recordIndex) {
  if (recordIndex < 0 || recordIndex >= GetRecordCount()) cxDataControllerError(cxSDataRecordIndexError);
  if (storage_->RecordIDsUsed()) return Variant(Integer(storage_->RecordIDOf(recordIndex)));
  if (IsProviderMode() && provider_->IsRecordIdSupported()) return provider_->GetRecordId(recordIndex);
  return Null();
}

int TcxCustomDataController::AppendRecord() {
  if (IsSmartLoad()) return LoadStorage();
  if (IsProviderMode()) return provider_->AppendRecord();
  int r = storage_->AddRecord();
  DataChanged(dckAdded, -1, -1);
  return r;
}

int TcxCustomDataController::InsertRecord(int recordIndex) {
  if (recordIndex < 0 || recordIndex > GetRecordCount()) cxDataControllerError(cxSDataRecordIndexError);
  // A smart-loading controller takes its records in the provider's order: it appends.
  if (IsSmartLoad()) return LoadStorage();
  if (IsProviderMode()) return provider_->InsertRecord(recordIndex);
  storage_->InsertRecordAt(recordIndex);
  ShiftDetailsAfterInsert(recordIndex);
  // Record indexes at and after the insertion point moved up by one: so do the selection, the
  // focus, the bookmark and the neighbours of the edited record.
  info_->ShiftRecordIndexes(recordIndex, +1);
  if (bookmarkRecordIndex_ >= recordIndex) ++bookmarkRecordIndex_;
  DataChanged(dckAdded, -1, -1);
  return recordIndex;
}

void TcxCustomDataController::DeleteStorageRecord(int recordIndex) {
  if (IsProviderMode()) provider_->DeleteRecord(recordIndex);
  storage_->RemoveRecord(recordIndex);
}

int TcxCustomDataController::LoadStorage() {
  bool wasInSmartLoad = inSmartLoad_;
  inSmartLoad_ = true;
  Finally done{[this, wasInSmartLoad] { inSmartLoad_ = wasInSmartLoad; }};
  int r;
  if (IsProviderMode()) {
    int handle = provider_->AppendSourceRecord();
    r = handle < 0 ? -1 : AppendRecordFromReader(nullptr, handle);
  } else {
    std::unique_ptr<TcxValueDefReader> reader = provider_->CreateValueDefReader();
    r = AppendRecordFromReader(reader.get());
  }
  // The pipeline must see the new record in both modes, or it stays out of the rows.
  if (r >= 0) DataChanged(dckAdded, -1, -1);
  return r;
}

void TcxCustomDataController::BeginReadRecords() {
  if (readRecordsLockCount_++ != 0) return;
  BeginUpdate();
  readRecordsAppended_ = false;
  storage_->StartLoad();
}

void TcxCustomDataController::EndReadRecords() {
  if (readRecordsLockCount_ == 0 || --readRecordsLockCount_ != 0) return;
  Finally end{[this] { EndUpdate(); }};
  storage_->FinishLoad();
  if (readRecordsAppended_) {
    readRecordsAppended_ = false;
    DataChanged(dckAdded, -1, -1);
  }
}

int TcxCustomDataController::AppendRecordFromReader(TcxValueDefReader* reader, int recordHandle) {
  int r;
  if (IsProviderMode()) {
    // A record of the source is known only by its handle: without one nothing is added.
    r = recordHandle < 0 ? -1 : provider_->AddRecordFromSource(recordHandle);
    if (r < 0) return -1;
  } else {
    r = storage_->AddRecord();
    if (reader != nullptr) storage_->LoadRecordFromReader(r, reader);
  }
  RecordAppended(r);
  if (readRecordsLockCount_ != 0) readRecordsAppended_ = true;
  return r;
}

void TcxCustomDataController::DeleteRecord(int recordIndex) {
  CheckRecordRange(recordIndex);
  if (IsSmartLoad() && inSmartLoad_) {
    DeleteStorageRecord(recordIndex);
    return;
  }
  if (recordIndex == provider_->EditingRecordIndex()) provider_->SetEditingRecordIndex(cxNullEditingRecordIndex);
  if (IsProviderMode() && recordIndex >= 0) {
    // Without record keys nothing else tells which records moved down: the record indexes held
    // here follow their records as in the controller's own storage. They move first, because
    // the source may reload the records (and check the selection) before it returns.
    bool shift = !HasRecordKeys();
    int bookmark = bookmarkRecordIndex_;
    if (shift) {
      if (bookmarkRecordIndex_ == recordIndex) {
        bookmarkRecordIndex_ = -1;
        changes_ += dccBookmark;
      } else if (bookmarkRecordIndex_ > recordIndex) {
        --bookmarkRecordIndex_;
      }
      info_->ShiftRecordIndexes(recordIndex, -1, false);
    }
    try {
      provider_->DeleteRecord(recordIndex);
    } catch (...) {
      if (shift) {
        bookmarkRecordIndex_ = bookmark;
        info_->ShiftRecordIndexes(recordIndex, +1, false);
      }
      throw;
    }
    if (shift) info_->RefreshRecords();
    return;
  }
  if (recordIndex < 0) {
    storage_->RemoveInternalRecord(recordIndex);
    if (newItemRecordIndex_ == recordIndex) newItemRecordIndex_ = 0;
    return;
  }
  storage_->RemoveRecord(recordIndex);
  ShiftDetailsAfterDelete(recordIndex);
  // The records after the deleted one move down: selection entries, the focus and the
  // bookmark follow their records instead of sliding onto a neighbour.
  if (bookmarkRecordIndex_ == recordIndex) {
    bookmarkRecordIndex_ = -1;
    changes_ += dccBookmark;
  } else if (bookmarkRecordIndex_ > recordIndex) {
    --bookmarkRecordIndex_;
  }
  info_->ShiftRecordIndexes(recordIndex, -1);
  CheckSelectionAndBookmark(-1);
  DataChanged(dckDeleted, -1, -1);
}

void TcxCustomDataController::LoadRecord(int sourceRecordIndex, int recordIndex) {
  TcxValueDefs* defs = storage_->ValueDefs();
  for (int i = 0; i < defs->DefCount(); ++i) {
    TcxValueDef* def = defs->DefAt(i);
    auto* field = dynamic_cast<TcxCustomDataField*>(def->LinkedObject());
    // Internal values (record handles, detail objects) belong to their record and are not copied.
    if (field == nullptr || field->IsInternalValue()) continue;
    if (IsProviderMode() && recordIndex >= 0) {
      CopyStoredValue(def, sourceRecordIndex, recordIndex);
    } else {
      storage_->SetRecordValue(recordIndex, def, storage_->RecordValue(sourceRecordIndex, def));
      if (def->HoldsText()) storage_->SetRecordText(recordIndex, def, storage_->RecordText(sourceRecordIndex, def));
    }
  }
  if (IsProviderMode() && recordIndex >= 0) {
    for (int i = 0; i < GetItemCount(); ++i) {
      TcxCustomDataField* f = fields_->Items(i);
      if (f->ValueDef() == nullptr) provider_->SetValue(recordIndex, f, GetValueByField(sourceRecordIndex, f));
    }
  }
  if (recordIndex >= 0) DataChanged(dckRecord, -1, -1);
}

void TcxCustomDataController::CopyStoredValue(TcxValueDef* def, int sourceRecord, int destRecord) {
  auto* field = dynamic_cast<TcxCustomDataField*>(def->LinkedObject());
  if (field == nullptr || field->IsInternal()) return;
  provider_->SetValue(destRecord, field, storage_->RecordValue(sourceRecord, def));
  if (def->HoldsText()) provider_->SetDisplayText(destRecord, field, storage_->RecordText(sourceRecord, def));
}

int TcxCustomDataController::CompareRecordValues(int record1, int record2, TcxCustomDataField* field) {
  if (field->ValueDef() == nullptr) return 0;
  if (IsProviderMode()) return provider_->CompareRecords(record1, record2, field);
  return storage_->CompareRecordsOn(record1, record2, field->ValueDef());
}

// =============================================================================================
// Rows, focus and navigation

int TcxCustomDataController::RowIndexOfRecord(int recordIndex, bool expand) {
  CheckRecordRange(recordIndex);
  return info_->RowIndexByRecordIndex(recordIndex, expand);
}

String TcxCustomDataController::RowDisplayText(const TcxRowInfo& row, int& itemIndex) {
  int levels = groups_->GroupingLevelCount();
  if (!IsNewItemRecord(row.RecordIndex) && row.Level < levels) itemIndex = groups_->ItemIndexOfLevel(row.Level);
  return GetDisplayText(row.RecordIndex, itemIndex);
}

Variant TcxCustomDataController::RowValue(const TcxRowInfo& row, int itemIndex) {
  int levels = groups_->GroupingLevelCount();
  if (!IsNewItemRecord(row.RecordIndex) && row.Level < levels) itemIndex = groups_->ItemIndexOfLevel(row.Level);
  return GetValue(row.RecordIndex, itemIndex);
}

int TcxCustomDataController::GetFocusedRecordIndex() { return info_->FocusedRecordIndex(); }

int TcxCustomDataController::GetSyncFocusedRecordIndex() {
  if (provider_->IsActiveDataSet() && provider_->IsSyncMode()) return provider_->GetGridModeFocusedRecordIndex();
  int row = info_->FocusedRowIndex();
  return row >= 0 && row < info_->RowCount() ? info_->RowInfo(row).RecordIndex : -1;
}

bool TcxCustomDataController::CanFocusRecord(int recordIndex) {
  if (!provider_->IsActiveDataSet() && recordIndex != provider_->EditingRecordIndex()) Post();
  return true;
}

bool TcxCustomDataController::ChangeFocusedRowIndex(int rowIndex) {
  if (provider_->IsSyncMode() && !provider_->InInserting() && rowIndex != FocusedRowIndex() &&
      !CanChangeFocusedRow())
    return false;
  if (rowIndex != FocusedRowIndex()) UpdateDetailControllers();
  info_->FocusRow(rowIndex);
  int record = FocusedRecordIndex();
  if (provider_->IsSyncMode() && IsDetailFocusSynchronized() && record != -1) {
    inFocusDetails_ = true;
    struct Reset {
      bool& f;
      ~Reset() { f = false; }
    } reset{inFocusDetails_};
    FocusActiveDetail(record);
  }
  return true;
}

bool TcxCustomDataController::ChangeFocusedRecordIndex(int recordIndex) {
  // -1 is "no record": focusing it takes the focus off every row.
  if (recordIndex == -1) return ChangeFocusedRowIndex(-1);
  return ChangeFocusedRowIndex(RowIndexOfRecord(recordIndex, true));
}

void TcxCustomDataController::CheckFocusedRow() {
  if (FocusedRowIndex() == -1 && !IsNewItemRowEditing()) ChangeFocusedRowIndex(0);
}

int TcxCustomDataController::LastRecordIndex() {
  int n = RowCount();
  return n == 0 ? -1 : RowInfoAt(n - 1).RecordIndex;
}

void TcxCustomDataController::FocusNearestRecord() {
  if (nearestRecordIndex_ == -1) {
    if (info_->LockCount() == 0 && FocusedRecordIndex() == -1 && RowCount() > 0)
      ChangeFocusedRecordIndex(LastRecordIndex());
  } else if (nearestRecordIndex_ < GetRecordCount()) {
    ChangeFocusedRecordIndex(nearestRecordIndex_);
  }
}

bool TcxCustomDataController::IsGridMode() { return provider_->IsGridMode(); }

void TcxCustomDataController::GotoFirst() {
  if (IsGridMode())
    provider_->First();
  else
    ChangeFocusedRowIndex(0);
}
void TcxCustomDataController::GotoLast() {
  if (IsGridMode())
    provider_->Last();
  else
    ChangeFocusedRowIndex(RowCount() - 1);
}
void TcxCustomDataController::GotoNext() {
  if (IsGridMode())
    provider_->Next();
  else
    ChangeFocusedRowIndex(FocusedRowIndex() + 1);
}
void TcxCustomDataController::GotoPrev() {
  if (IsGridMode())
    provider_->Prior();
  else
    ChangeFocusedRowIndex(std::max(FocusedRowIndex() - 1, 0));
}
void TcxCustomDataController::MoveBy(int distance) {
  if (IsGridMode())
    provider_->MoveBy(distance);
  else
    ChangeFocusedRowIndex(std::max(FocusedRowIndex() + distance, 0));
}
bool TcxCustomDataController::IsBOF() {
  if (IsGridMode()) return provider_->IsBOF();
  return RowCount() == 0 || FocusedRowIndex() == 0;
}
bool TcxCustomDataController::IsEOF() {
  if (IsGridMode()) return provider_->IsEOF();
  return RowCount() == 0 || FocusedRowIndex() == RowCount() - 1;
}

// =============================================================================================
// Editing

int TcxCustomDataController::GetEditState() {
  int s = 0;
  if (provider_->CanAppend()) s |= dceAppend;
  if (provider_->CanDelete()) s |= dceDelete;
  if (provider_->CanModify()) s |= dceModify;
  if (provider_->CanInsert()) s |= dceInsert;
  if (!provider_->IsActiveDataSet() || provider_->IsSyncMode()) s |= dceInplace;
  return s;
}

int TcxCustomDataController::GetEditFlags() {
  int f = 0;
  if (provider_->IsInserting())
    f |= dceInserting;
  else if (provider_->IsEditing())
    f |= dceEditing;
  if (f != 0 && provider_->IsChanging()) f |= dceChanging;
  if (f != 0 && provider_->IsModified()) f |= dceModified;
  return f;
}

bool TcxCustomDataController::IsEditing() {
  return (GetEditFlags() & (dceInserting | dceEditing)) != 0 &&
         provider_->EditingRecordIndex() != cxNullEditingRecordIndex;
}

bool TcxCustomDataController::IsImmediatePost() {
  return options_.Contains(dcoImmediatePost) || provider_->IsStorageEditing();
}

bool TcxCustomDataController::HasRecordKeys() { return IsProviderMode() && provider_->IsRecordIdSupported(); }

void TcxCustomDataController::Append() {
  if (provider_->CanAppend()) provider_->Append();
}
void TcxCustomDataController::Insert() {
  if (provider_->CanInsert()) provider_->Insert();
}
void TcxCustomDataController::Edit() {
  if (provider_->CanModify()) provider_->Edit();
}

void TcxCustomDataController::Post() {
  auto* link = new TcxDataListenerLink(this);
  listenerLinks_.push_back(link);
  focusCheckAfterFilter_ = true;
  Finally f{[link] {
    TcxCustomDataController* c = link->DataController;
    if (c != nullptr) {
      c->provider_->SetInsertedRecordIndex(-1);
      auto& l = c->listenerLinks_;
      l.erase(std::remove(l.begin(), l.end(), link), l.end());
    }
    delete link;
  }};
  if (provider_->IsEditing()) provider_->Post();
}

void TcxCustomDataController::Cancel() {
  if (inCancel_) return;
  inCancel_ = true;
  Finally f{[this] { inCancel_ = false; }};
  int row = FocusedRowIndex();
  if (provider_->IsEditing()) provider_->Cancel();
  if (row > RowCount() - 1) row = RowCount() - 1;
  if (!info_->InCanFocusCheck()) SetFocusedRowIndex(row);
}

void TcxCustomDataController::PostEditingData() { provider_->PostEditingData(); }

bool TcxCustomDataController::CanInitEditing(int itemIndex) {
  TcxCustomDataField* f = FieldOfItem(itemIndex);
  if (!provider_->CanModify() && !f->IsUnboundField()) return false;
  if (!f->CanStoreValue(GetItemValueSource(itemIndex))) return false;
  return provider_->CanInitEditing(GetEditingRecordIndex());
}

Variant TcxCustomDataController::GetEditValue(int itemIndex, int valueSource) {
  TcxCustomDataField* f = FieldOfItem(itemIndex);
  if (useNewItemRowForEditing_ && IsNewItemRowEditing() && !provider_->IsEditing()) return Null();
  return provider_->GetValue(GetEditingRecordIndex(), f, valueSource);
}

bool TcxCustomDataController::SetEditValue(int itemIndex, const Variant& value, int valueSource) {
  bool result = false;
  if (CanInitEditing(itemIndex))
    result = provider_->SetEditValue(GetEditingRecordIndex(), FieldOfItem(itemIndex), valueSource, value);
  if (result && IsImmediatePost()) Post();
  return result;
}

int TcxCustomDataController::GetEditingRecordIndex() {
  int e = provider_->EditingRecordIndex();
  return e != cxNullEditingRecordIndex ? e : GetFocusedRecordIndexForEditing();
}

int TcxCustomDataController::GetFocusedRecordIndexForEditing() {
  if (IsNewItemRowEditing()) return GetNewItemRecordIndex();
  if (FocusedRowIndex() == -1) return cxNullEditingRecordIndex;
  return FocusedRecordIndex();
}

bool TcxCustomDataController::IsNewItemRowEditing() const {
  return newItemRowFocused_ && useNewItemRowForEditing_ && info_->FocusedRowIndex() == -1;
}

void TcxCustomDataController::DeleteFocused() {
  if (FocusedRowIndex() == -1 || !provider_->CanDelete()) return;
  provider_->SaveNearestRecord();
  Finally clear{[this] { provider_->ClearNearestRecord(); }};
  TcxRowInfo row = RowInfoAt(FocusedRowIndex());
  if (row.Level < groups_->GroupingLevelCount()) {
    std::vector<int> list;
    groups_->CollectRowRecords(list, FocusedRowIndex());
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    if (nearestRecordIndex_ != -1) {
      int n = nearestRecordIndex_;
      nearestRecordIndex_ -= int(std::count_if(list.begin(), list.end(), [n](int r) { return r <= n; }));
    }
    try {
      provider_->Delete(list);
    } catch (...) {
      nearestRecordIndex_ = FocusedRecordIndex();
      throw;
    }
  } else {
    if (nearestRecordIndex_ >= FocusedRecordIndex()) --nearestRecordIndex_;
    try {
      provider_->DeleteFocused();
    } catch (...) {
      nearestRecordIndex_ = FocusedRecordIndex();
      throw;
    }
  }
  ClearSelection();
}

void TcxCustomDataController::DeleteSelection() {
  if (CountSelectedRows() == 0 || !provider_->CanDelete()) return;
  provider_->SaveNearestRecord();
  Finally clear{[this] { provider_->ClearNearestRecord(); }};
  if (IsSingleSelection()) {
    if (nearestRecordIndex_ >= FocusedRecordIndex()) --nearestRecordIndex_;
    try {
      provider_->DeleteFocused();
    } catch (...) {
      nearestRecordIndex_ = FocusedRecordIndex();
      throw;
    }
  } else {
    provider_->DeleteSelection();
  }
}

void TcxCustomDataController::SetNewItemRowFocused(bool value) {
  if (value == newItemRowFocused_) return;
  {
    BeginInfoUpdate();
    Finally end{[this] { EndInfoUpdate(); }};
    if (value)
      ChangeFocusedRowIndex(-1);
    else if (!IsDestroying())
      Post();
    info_->FocusedRecordChanged(true);
    newItemRowFocused_ = value;
  }
  if (options_.Contains(dcoInsertOnNewItemRowFocusing) && IsNewItemRowEditing() && !provider_->IsInserting())
    Insert();
}

void TcxCustomDataController::SetUseNewItemRowForEditing(bool value) {
  if (value == useNewItemRowForEditing_) return;
  Cancel();
  ClearSelection();
  useNewItemRowForEditing_ = value;
  Change({dccData});
}

std::vector<Variant> TcxCustomDataController::GetGroupingValues(int recordIndex) {
  int levels = groups_->GroupingLevelCount();
  std::vector<Variant> v(std::size_t(levels), Null());
  if (recordIndex >= 0 && recordIndex < GetRecordCount())
    for (int i = 0; i < levels; ++i)
      v[std::size_t(i)] = GetValueForGrouping(recordIndex, info_->GroupingFields().Items(i).Field);
  return v;
}

Variant TcxCustomDataController::GetKeyValues(int recordIndex, const std::vector<TcxCustomDataField*>& keyFields) {
  if (keyFields.empty()) return IsProviderMode() ? provider_->GetRecordId(recordIndex) : Null();
  if (keyFields.size() == 1) return GetValueByField(recordIndex, keyFields[0]);
  Variant r = Null();
  for (auto* f : keyFields) AppendToVariantArray(r, GetValueByField(recordIndex, f));
  return r;
}
