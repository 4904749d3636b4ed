// TDataSet: states, the window of record buffers, navigation, editing, calculated fields,
// filtering and the data events sent to the data sources.
#include <algorithm>

#include "db/DB.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TDataSet) {
  p.Str("Filter", &TDataSet::Filter, &TDataSet::SetFilter);
  p.Bool("Filtered", &TDataSet::Filtered, &TDataSet::SetFiltered).Default(0);
  p.Set("FilterOptions", &TDataSet::FilterOptions, &TDataSet::SetFilterOptions,
        SetTypeInfo("TFilterOptions", EnumTypeInfo("TFilterOption", {"foCaseInsensitive", "foNoPartialCompare"})))
      .Default(0);
  p.Event("BeforeOpen", &TDataSet::BeforeOpen, "TDataSetNotifyEvent");
  p.Event("AfterOpen", &TDataSet::AfterOpen, "TDataSetNotifyEvent");
  p.Event("BeforeClose", &TDataSet::BeforeClose, "TDataSetNotifyEvent");
  p.Event("AfterClose", &TDataSet::AfterClose, "TDataSetNotifyEvent");
  p.Event("BeforeInsert", &TDataSet::BeforeInsert, "TDataSetNotifyEvent");
  p.Event("AfterInsert", &TDataSet::AfterInsert, "TDataSetNotifyEvent");
  p.Event("BeforeEdit", &TDataSet::BeforeEdit, "TDataSetNotifyEvent");
  p.Event("AfterEdit", &TDataSet::AfterEdit, "TDataSetNotifyEvent");
  p.Event("BeforePost", &TDataSet::BeforePost, "TDataSetNotifyEvent");
  p.Event("AfterPost", &TDataSet::AfterPost, "TDataSetNotifyEvent");
  p.Event("BeforeCancel", &TDataSet::BeforeCancel, "TDataSetNotifyEvent");
  p.Event("AfterCancel", &TDataSet::AfterCancel, "TDataSetNotifyEvent");
  p.Event("BeforeDelete", &TDataSet::BeforeDelete, "TDataSetNotifyEvent");
  p.Event("AfterDelete", &TDataSet::AfterDelete, "TDataSetNotifyEvent");
  p.Event("BeforeScroll", &TDataSet::BeforeScroll, "TDataSetNotifyEvent");
  p.Event("AfterScroll", &TDataSet::AfterScroll, "TDataSetNotifyEvent");
  p.Event("OnCalcFields", &TDataSet::OnCalcFields, "TDataSetNotifyEvent");
  p.Event("OnNewRecord", &TDataSet::OnNewRecord, "TDataSetNotifyEvent");
  p.Event("OnFilterRecord", &TDataSet::OnFilterRecord, "TFilterRecordEvent");
}

namespace {
bool IsEditState(TDataSetState s) { return s == dsEdit || s == dsInsert || s == dsSetKey; }

// Restores a flag or value when a scope ends, also when an exception passes.
template <class T>
class TRestore {
 public:
  TRestore(T& ref, T value) : ref_(ref), old_(ref) { ref_ = value; }
  ~TRestore() { ref_ = old_; }
  TRestore(const TRestore&) = delete;
  TRestore& operator=(const TRestore&) = delete;

 private:
  T& ref_;
  T old_;
};
}  // namespace

TDataSet::TDataSet(TComponent* owner)
    : TComponent(owner),
      fields_(std::make_unique<TFields>(this)),
      aggFields_(std::make_unique<TFields>(this)),
      fieldDefs_(std::make_unique<TFieldDefs>()) {
  buffers_.resize(1);
}

TDataSet::~TDataSet() {
  try {
    if (Active()) {
      // Closing while being destroyed: no events to user handlers.
      SetState(dsInactive);
      CloseCursor();
    }
  } catch (...) {
  }
  while (!dataSources_.empty()) dataSources_.back()->SetDataSet(nullptr);
  // Fields owned by other components outlive the list.
  for (Integer i = fields_->Count() - 1; i >= 0; --i) fields_->items_[std::size_t(i)]->dataSet_ = nullptr;
  fields_->Clear();
}

void TDataSet::Notification(TComponent* c, TOperation operation) {
  TComponent::Notification(c, operation);
  if (operation == opRemove) {
    auto it = std::find(dataSources_.begin(), dataSources_.end(), c);
    if (it != dataSources_.end()) dataSources_.erase(it);
  }
}

void TDataSet::CheckActive() const {
  if (!Active()) DatabaseError("Cannot perform this operation on a closed dataset", this);
}

void TDataSet::CheckBrowseModeOnly() const {
  CheckActive();
  if (state_ != dsBrowse) DatabaseError("Dataset not in browse mode", this);
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

void TDataSet::SetActive(bool value) {
  if (value == Active()) return;
  if (value) {
    DoEvent(BeforeOpen);
    OpenCursor();
    SetState(dsBrowse);
    DoEvent(AfterOpen);
    if (!IsEmpty()) DoEvent(AfterScroll);
  } else {
    if (!ComponentState().Contains(csDestroying)) DoEvent(BeforeClose);
    SetState(dsInactive);
    CloseCursor();
    if (!ComponentState().Contains(csDestroying)) DoEvent(AfterClose);
  }
}

void TDataSet::OpenCursor() {
  try {
    fieldDefs_->Clear();
    InternalOpen();
    fieldDefs_->SetUpdated(true);
    defaultFields_ = fields_->Count() == 0;
    if (defaultFields_) CreateFields();
    BindFields(true);
    if (filtered_) FilterChanged();
    buffers_.assign(std::size_t(bufferCount_), TRecordBuffer());
    recordCount_ = 0;
    activeRecord_ = 0;
    currentRecord_ = -1;
    bof_ = true;
    eof_ = false;
    // Buffers follow the largest window any link asks for.
    Integer wanted = 1;
    for (TDataLink* l : AllLinks()) wanted = std::max(wanted, l->bufferCount_);
    bufferCount_ = wanted;
    buffers_.assign(std::size_t(bufferCount_), TRecordBuffer());
    state_ = dsOpening;  // no event: the links hear of the open through dsBrowse
    InternalFirst();
    GetNextRecords();
    state_ = dsInactive;
    eof_ = recordCount_ == 0;
  } catch (...) {
    state_ = dsInactive;
    try {
      CloseCursor();
    } catch (...) {
    }
    throw;
  }
}

void TDataSet::CloseCursor() {
  ClearBuffers();
  bof_ = true;
  eof_ = true;
  modified_ = false;
  try {
    if (IsCursorOpen()) InternalClose();
  } catch (...) {
    BindFields(false);
    if (defaultFields_) DestroyDefaultFields();
    fieldDefs_->Clear();
    throw;
  }
  BindFields(false);
  if (defaultFields_) DestroyDefaultFields();
  fieldDefs_->Clear();
  fieldDefs_->SetUpdated(false);
}

void TDataSet::CreateFields() {
  for (Integer i = 0; i < fieldDefs_->Count(); ++i) {
    TFieldDef* def = fieldDefs_->Items(i);
    TClass cls = def->FieldClass();
    if (cls == nullptr) continue;  // a type no field class stands for
    auto* f = static_cast<TField*>(cls->Create(this));
    f->fieldName_ = def->Name();
    f->dataType_ = def->DataType();
    if (def->Size() > 0) f->size_ = def->Size();
    f->required_ = def->Required();
    f->dataSet_ = this;
    fields_->Add(f);
  }
}

void TDataSet::DestroyDefaultFields() {
  std::vector<TField*> list = fields_->items_;
  fields_->Clear();
  for (TField* f : list) {
    f->dataSet_ = nullptr;
    delete f;
  }
  defaultFields_ = false;
}

void TDataSet::BindFields(bool binding) {
  dataFieldCount_ = 0;
  calcFieldCount_ = 0;
  for (TField* f : fields_->items_) {
    f->fieldNo_ = 0;
    f->calcIndex_ = -1;
    if (!binding) continue;
    if (f->fieldKind_ == fkData || f->fieldKind_ == fkInternalCalc) {
      Integer i = fieldDefs_->IndexOf(f->fieldName_);
      if (i < 0) DatabaseError("Field '" + f->fieldName_ + "' not found", this);
      TFieldDef* def = fieldDefs_->Items(i);
      f->fieldNo_ = def->FieldNo();
    } else {
      f->calcIndex_ = calcFieldCount_++;
    }
  }
  if (binding) dataFieldCount_ = fieldDefs_->Count();
}

// ---------------------------------------------------------------------------------------------
// States and events

void TDataSet::SetState(TDataSetState value) {
  if (state_ == value) return;
  state_ = value;
  modified_ = false;
  DataEvent(deUpdateState, 0);
}

std::vector<TDataLink*> TDataSet::AllLinks() const {
  std::vector<TDataLink*> links;
  for (TDataSource* ds : dataSources_)
    for (TDataLink* l : ds->links_) links.push_back(l);
  return links;
}

void TDataSet::DataEvent(TDataEvent event, NativeInt info) {
  switch (event) {
    case deFieldChange: {
      auto* f = reinterpret_cast<TField*>(info);
      if (f != nullptr && (f->fieldKind_ == fkData || f->fieldKind_ == fkInternalCalc)) modified_ = true;
      if (state_ != dsSetKey && calcFieldCount_ > 0 && ActiveBuffer() != nullptr) CalculateFields(*ActiveBuffer());
      break;
    }
    case deLayoutChange:
      if (ControlsDisabled()) enableEvent_ = deLayoutChange;
      break;
    case deUpdateState:
      if (ControlsDisabled()) {
        event = deDisabledStateChange;
        info = state_ != dsInactive ? 1 : 0;
        // Closed meanwhile: the fields may be others when the controls come back.
        if (state_ == dsInactive) enableEvent_ = deLayoutChange;
      }
      break;
    default:
      break;
  }
  // By index: a handler may detach a data source (the next one then moves up and is
  // skipped for this one event).
  for (std::size_t i = 0; i < dataSources_.size(); ++i) dataSources_[i]->DataEvent(event, info);
}

void TDataSet::DisableControls() {
  if (disableCount_ == 0) {
    disableState_ = state_;
    enableEvent_ = deDataSetChange;
  }
  ++disableCount_;
}

void TDataSet::EnableControls() {
  if (disableCount_ == 0) return;
  if (--disableCount_ != 0) return;
  // Handlers of these events may disable and enable the controls again (a walk of the
  // records): the state and event saved for this bracket are read before they run.
  TDataSetState saved = disableState_;
  TDataEvent event = enableEvent_;
  if (saved != state_) DataEvent(deUpdateState, 0);
  if (saved != dsInactive && state_ != dsInactive) DataEvent(event, 0);
}

void TDataSet::AddDataSource(TDataSource* ds) {
  dataSources_.push_back(ds);
  UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* ds) {
  auto it = std::find(dataSources_.begin(), dataSources_.end(), ds);
  if (it != dataSources_.end()) dataSources_.erase(it);
  UpdateBufferCount();
}

// ---------------------------------------------------------------------------------------------
// The buffer window

TRecordBuffer* TDataSet::ActiveBuffer() const {
  if (recordCount_ == 0 || activeRecord_ < 0 || activeRecord_ >= Integer(buffers_.size())) return nullptr;
  return const_cast<TRecordBuffer*>(&buffers_[std::size_t(activeRecord_)]);
}

TRecordBuffer* TDataSet::ReadBuffer() const {
  if ((state_ == dsCalcFields || state_ == dsFilter) && tempBuffer_ != nullptr) return tempBuffer_;
  return ActiveBuffer();
}

void TDataSet::ClearBuffers() {
  recordCount_ = 0;
  activeRecord_ = 0;
  currentRecord_ = -1;
  bof_ = true;
  eof_ = true;
}

bool TDataSet::Fetch(TRecordBuffer& buf, TGetMode mode) {
  buf.HasValues = false;
  buf.Values.clear();
  buf.Flag = bfCurrent;
  if (GetRecord(buf, mode) != grOK) return false;
  if (calcFieldCount_ > 0) CalculateFields(buf);
  return true;
}

// Moves the storage cursor to the buffer's record when it stands elsewhere.
void TDataSet::UpdateCursorPos() {
  if (recordCount_ > 0 && currentRecord_ != activeRecord_) {
    InternalSetToRecord(buffers_[std::size_t(activeRecord_)]);
    currentRecord_ = activeRecord_;
  }
}

bool TDataSet::GetNextRecord() {
  if (recordCount_ > 0 && currentRecord_ != recordCount_ - 1) {
    InternalSetToRecord(buffers_[std::size_t(recordCount_ - 1)]);
    currentRecord_ = recordCount_ - 1;
  }
  TRecordBuffer buf;
  if (!Fetch(buf, gmNext)) {
    // The cursor stands after the last record now; the last buffer's record is re-found
    // before the next move.
    currentRecord_ = -1;
    return false;
  }
  if (recordCount_ == bufferCount_) {
    buffers_.erase(buffers_.begin());
    buffers_.push_back(std::move(buf));
  } else {
    buffers_[std::size_t(recordCount_)] = std::move(buf);
    ++recordCount_;
  }
  currentRecord_ = recordCount_ - 1;
  return true;
}

bool TDataSet::GetPriorRecord() {
  if (recordCount_ > 0 && currentRecord_ != 0) {
    InternalSetToRecord(buffers_[0]);
    currentRecord_ = 0;
  }
  TRecordBuffer buf;
  if (!Fetch(buf, gmPrior)) {
    currentRecord_ = -1;
    return false;
  }
  if (recordCount_ == bufferCount_) buffers_.pop_back();
  else ++recordCount_;
  buffers_.insert(buffers_.begin(), std::move(buf));
  buffers_.resize(std::size_t(bufferCount_));
  currentRecord_ = 0;
  return true;
}

Integer TDataSet::GetNextRecords() {
  Integer n = 0;
  while (recordCount_ < bufferCount_ && GetNextRecord()) ++n;
  return n;
}

Integer TDataSet::GetPriorRecords() {
  Integer n = 0;
  while (recordCount_ < bufferCount_ && GetPriorRecord()) {
    ++n;
    ++activeRecord_;
  }
  return n;
}

void TDataSet::ShiftLinks(Integer delta) {
  for (TDataLink* l : AllLinks()) l->firstRecord_ += delta;
}

void TDataSet::UpdateBufferCount() {
  Integer wanted = 1;
  for (TDataLink* l : AllLinks()) wanted = std::max(wanted, l->bufferCount_);
  SetBufferCount(wanted);
}

void TDataSet::SetBufferCount(Integer count) {
  if (count < 1) count = 1;
  if (count == bufferCount_) return;
  if (!Active()) {
    bufferCount_ = count;
    buffers_.assign(std::size_t(count), TRecordBuffer());
    return;
  }
  // While a record is edited its buffer keeps its place; the window follows after Post or
  // Cancel.
  if (IsEditState(state_)) return;
  if (count < bufferCount_) {
    // Drop records after the window first, then before it, keeping the active record.
    while (recordCount_ > count && recordCount_ - 1 > activeRecord_) --recordCount_;
    Integer drop = recordCount_ - count;
    if (drop > 0) {
      buffers_.erase(buffers_.begin(), buffers_.begin() + drop);
      recordCount_ -= drop;
      activeRecord_ -= drop;
      ShiftLinks(-drop);
    }
    buffers_.resize(std::size_t(count));
    bufferCount_ = count;
    currentRecord_ = -1;
  } else {
    buffers_.resize(std::size_t(count));
    bufferCount_ = count;
    if (recordCount_ > 0) {
      GetNextRecords();
      Integer added = 0;
      while (recordCount_ < bufferCount_ && GetPriorRecord()) {
        ++added;
        ++activeRecord_;
      }
      ShiftLinks(added);
    }
  }
  for (TDataLink* l : AllLinks()) l->UpdateRange();
}

void TDataSet::Resync(bool positioned, bool center) {
  Integer keepRow = activeRecord_;
  if (!positioned && recordCount_ > 0) {
    InternalSetToRecord(buffers_[std::size_t(activeRecord_)]);
  }
  TRecordBuffer buf;
  bool found = Fetch(buf, gmCurrent);
  if (!found) found = Fetch(buf, gmNext);
  if (!found) found = Fetch(buf, gmPrior);
  if (!found) {
    ClearBuffers();
    DataEvent(deDataSetChange, 0);
    return;
  }
  buffers_.assign(std::size_t(bufferCount_), TRecordBuffer());
  buffers_[0] = std::move(buf);
  recordCount_ = 1;
  activeRecord_ = 0;
  currentRecord_ = 0;
  Integer before = center ? (bufferCount_ - 1) / 2 : std::min(keepRow, bufferCount_ - 1);
  while (activeRecord_ < before && GetPriorRecord()) ++activeRecord_;
  GetNextRecords();
  GetPriorRecords();
  bof_ = false;
  eof_ = false;
  DataEvent(deDataSetChange, 0);
}

// ---------------------------------------------------------------------------------------------
// Navigation

void TDataSet::First() {
  CheckBrowseMode();
  DoEvent(BeforeScroll);
  ClearBuffers();
  InternalFirst();
  GetNextRecords();
  bof_ = true;
  eof_ = recordCount_ == 0;
  DataEvent(deDataSetChange, 0);
  DoEvent(AfterScroll);
}

void TDataSet::Last() {
  if (IsUniDirectional()) DatabaseError("Operation not allowed on a unidirectional dataset", this);
  CheckBrowseMode();
  DoEvent(BeforeScroll);
  ClearBuffers();
  InternalLast();
  while (recordCount_ < bufferCount_ && GetPriorRecord()) {
  }
  activeRecord_ = recordCount_ > 0 ? recordCount_ - 1 : 0;
  eof_ = true;
  bof_ = recordCount_ == 0;
  DataEvent(deDataSetChange, 0);
  DoEvent(AfterScroll);
}

Integer TDataSet::MoveBy(Integer distance) {
  CheckBrowseMode();
  Integer result = 0;
  if ((distance > 0 && !eof_) || (distance < 0 && !bof_)) {
    DoEvent(BeforeScroll);
    bof_ = false;
    eof_ = false;
    Integer oldCount = recordCount_;
    Integer scroll = 0;
    while (distance > 0) {
      if (activeRecord_ < recordCount_ - 1) {
        ++activeRecord_;
      } else {
        bool full = recordCount_ == bufferCount_;
        if (!GetNextRecord()) {
          eof_ = true;
          break;
        }
        if (full) ++scroll;
        activeRecord_ = recordCount_ - 1;
      }
      --distance;
      ++result;
    }
    while (distance < 0) {
      if (activeRecord_ > 0) {
        --activeRecord_;
      } else {
        if (!GetPriorRecord()) {
          bof_ = true;
          break;
        }
        --scroll;
        activeRecord_ = 0;
      }
      ++distance;
      --result;
    }
    if (recordCount_ != oldCount) {
      // The window grew: the rows the links see are new.
      ShiftLinks(-scroll);
      DataEvent(deDataSetChange, 0);
    } else {
      DataEvent(deDataSetScroll, scroll);
    }
    DoEvent(AfterScroll);
  }
  return result;
}

bool TDataSet::IsEmpty() const { return !Active() || (recordCount_ == 0 && state_ != dsInsert); }

TBookmarkStr TDataSet::Bookmark() const {
  const TRecordBuffer* buf = ActiveBuffer();
  if (!Active() || buf == nullptr || state_ == dsInsert || buf->Flag == bfInserted) return TBookmarkStr();
  return GetBookmarkStr(*buf);
}

bool TDataSet::BookmarkAvailable() const {
  return Active() && state_ != dsInsert && recordCount_ > 0;
}

void TDataSet::SetBookmark(const TBookmarkStr& bookmark) {
  CheckBrowseMode();
  if (!BookmarkValid(bookmark)) DatabaseError("Record not found", this);
  DoEvent(BeforeScroll);
  InternalGotoBookmark(bookmark);
  Resync(true, true);
  DoEvent(AfterScroll);
}

Integer TDataSet::CompareBookmarks(const TBookmarkStr& a, const TBookmarkStr& b) const {
  if (a.empty() || b.empty()) return a.empty() ? (b.empty() ? 0 : -1) : 1;
  return a < b ? -1 : (a == b ? 0 : 1);
}

// The base searches by walking the records; storages answer faster.
bool TDataSet::Locate(const String& keyFields, const Variant& keyValues, TLocateOptions options) {
  CheckBrowseMode();
  std::vector<TField*> list;
  GetFieldList(list, keyFields);
  auto matches = [&]() {
    for (std::size_t i = 0; i < list.size(); ++i) {
      Variant want = list.size() == 1 && !VarIsArray(keyValues) ? keyValues : keyValues.GetElement(Integer(i));
      Variant have = list[i]->Value();
      if (VarIsNull(want) || VarIsEmpty(want)) {
        if (!VarIsNull(have)) return false;
        continue;
      }
      if (VarIsNull(have)) return false;
      if (VarIsStr(want) || VarIsStr(have)) {
        String a = list[i]->AsString(), b = VarToStr(want);
        if (options.Contains(loPartialKey) && a.size() > b.size()) a.resize(b.size());
        if (options.Contains(loCaseInsensitive) ? !AnsiSameText(a, b) : a != b) return false;
      } else {
        try {
          if (VarCompareValue(have, want) != vrEqual) return false;
        } catch (const EVariantError&) {
          return false;
        }
      }
    }
    return true;
  };
  TBookmarkStr start = Bookmark();
  DisableControls();
  bool found = false;
  try {
    First();
    while (!Eof()) {
      if (matches()) {
        found = true;
        break;
      }
      Next();
    }
    if (!found && !start.empty() && BookmarkValid(start)) SetBookmark(start);
  } catch (...) {
    EnableControls();
    throw;
  }
  EnableControls();
  return found;
}

Variant TDataSet::Lookup(const String& keyFields, const Variant& keyValues, const String& resultFields) {
  TBookmarkStr start = Bookmark();
  Variant result = Null();
  DisableControls();
  try {
    if (Locate(keyFields, keyValues, {})) result = FieldValues(resultFields);
    if (!start.empty() && BookmarkValid(start)) SetBookmark(start);
  } catch (...) {
    EnableControls();
    throw;
  }
  EnableControls();
  return result;
}

// ---------------------------------------------------------------------------------------------
// Field values

void TDataSet::GetFieldList(std::vector<TField*>& list, const String& fieldNames) const {
  list.clear();
  for (const String& name : SplitFieldNames(fieldNames)) list.push_back(FieldByName(name));
}

Variant TDataSet::FieldValues(const String& fieldNames) const {
  std::vector<TField*> list;
  GetFieldList(list, fieldNames);
  if (list.size() == 1) return list[0]->Value();
  std::vector<Variant> values;
  for (TField* f : list) values.push_back(f->Value());
  return VarArrayOf(values);
}

void TDataSet::SetFieldValues(const String& fieldNames, const Variant& value) {
  std::vector<TField*> list;
  GetFieldList(list, fieldNames);
  if (list.size() == 1) {
    list[0]->SetValue(value);
    return;
  }
  for (std::size_t i = 0; i < list.size(); ++i) list[i]->SetValue(value.GetElement(VarArrayLowBound(value, 1) + Integer(i)));
}

bool TDataSet::ReadStoredCell(const TField* field, TStoredCell& cell) const {
  if (field->DataSet() != this || field->calcIndex_ >= 0 || field->fieldNo_ <= 0) return false;
  TRecordBuffer* buf = ReadBuffer();
  if (buf == nullptr || buf->HasValues) return false;
  return GetStoredCell(*buf, field->fieldNo_, cell);
}

bool TDataSet::GetFieldValue(const TField* field, Variant& value) const {
  TRecordBuffer* buf = ReadBuffer();
  if (buf == nullptr) {
    value = Null();
    return false;
  }
  if (field->calcIndex_ >= 0) {
    if (std::size_t(field->calcIndex_) >= buf->CalcValues.size()) {
      value = Null();
      return false;
    }
    value = buf->CalcValues[std::size_t(field->calcIndex_)];
  } else if (field->fieldNo_ > 0) {
    if (buf->HasValues) value = buf->Values[std::size_t(field->fieldNo_ - 1)];
    else value = GetStoredValue(*buf, field->fieldNo_);
  } else {
    value = Null();
    return false;
  }
  return !VarIsNull(value) && !VarIsEmpty(value);
}

void TDataSet::SetFieldValue(TField* field, const Variant& value) {
  bool calc = field->calcIndex_ >= 0;
  if (calc) {
    if (state_ != dsCalcFields && !IsEditState(state_))
      DatabaseError("Field '" + field->DisplayName() + "' cannot be modified", this);
  } else {
    if (!IsEditState(state_)) DatabaseError("Dataset not in edit or insert mode", this);
    if (field->ReadOnly() || !GetCanModify()) DatabaseError("Field '" + field->DisplayName() + "' cannot be modified", this);
  }
  TRecordBuffer* buf = ReadBuffer();
  if (buf == nullptr) DatabaseError("No current record", this);
  if (!calc && !buf->HasValues) DatabaseError("Dataset not in edit or insert mode", this);
  if (calc && buf->CalcValues.size() < std::size_t(calcFieldCount_))
    buf->CalcValues.resize(std::size_t(calcFieldCount_), Null());
  Variant& slot = calc ? buf->CalcValues[std::size_t(field->calcIndex_)] : buf->Values[std::size_t(field->fieldNo_ - 1)];
  Variant old = slot;
  slot = value;
  if (state_ == dsCalcFields) return;
  if (field->OnValidate) {
    // The handler reads the new value from the field; raising refuses it.
    try {
      field->OnValidate(field);
    } catch (...) {
      slot = old;
      throw;
    }
  }
  DataEvent(deFieldChange, NativeInt(field));
  if (field->OnChange) field->OnChange(field);
}

void TDataSet::CalculateFields(TRecordBuffer& buf) {
  buf.CalcValues.assign(std::size_t(calcFieldCount_), Null());
  TRecordBuffer* oldTemp = tempBuffer_;
  TDataSetState oldState = state_;
  tempBuffer_ = &buf;
  state_ = dsCalcFields;
  try {
    for (TField* f : fields_->items_) {
      if (f->fieldKind_ != fkLookup || f->lookupDataSet_ == nullptr || !f->lookupDataSet_->Active()) continue;
      Variant keys = FieldValues(f->keyFields_);
      bool anyNull = VarIsArray(keys) ? false : VarIsNull(keys);
      if (VarIsArray(keys))
        for (Integer i = VarArrayLowBound(keys, 1); i <= VarArrayHighBound(keys, 1); ++i)
          if (VarIsNull(keys.GetElement(i))) anyNull = true;
      if (anyNull) continue;
      buf.CalcValues[std::size_t(f->calcIndex_)] =
          f->lookupDataSet_->Lookup(f->lookupKeyFields_, keys, f->lookupResultField_);
    }
    if (OnCalcFields) OnCalcFields(this);
  } catch (...) {
    state_ = oldState;
    tempBuffer_ = oldTemp;
    throw;
  }
  state_ = oldState;
  tempBuffer_ = oldTemp;
}

// ---------------------------------------------------------------------------------------------
// Editing

void TDataSet::InternalInitRecord(TRecordBuffer& buf) {
  buf.HasValues = true;
  buf.Values.assign(std::size_t(dataFieldCount_), Null());
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode, 0);
  switch (state_) {
    case dsEdit:
    case dsInsert:
      UpdateRecord();
      if (modified_) Post();
      else Cancel();
      break;
    case dsSetKey:
      Post();
      break;
    default:
      break;
  }
}

void TDataSet::UpdateRecord() {
  if (!IsEditState(state_)) DatabaseError("Dataset not in edit or insert mode", this);
  DataEvent(deUpdateRecord, 0);
}

void TDataSet::Edit() {
  if (state_ == dsEdit || state_ == dsInsert) return;
  if (recordCount_ == 0) {
    Insert();
    return;
  }
  CheckBrowseMode();
  if (!GetCanModify()) DatabaseError("Cannot modify a read-only dataset", this);
  DoEvent(BeforeEdit);
  UpdateCursorPos();
  TRecordBuffer& buf = buffers_[std::size_t(activeRecord_)];
  // Every stored value, also of columns no field shows, so that Post writes them back as
  // they were.
  buf.Values.resize(std::size_t(dataFieldCount_));
  for (Integer no = 1; no <= dataFieldCount_; ++no) buf.Values[std::size_t(no - 1)] = GetStoredValue(buf, no);
  buf.HasValues = true;
  InternalEdit();
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  DoEvent(AfterEdit);
}

void TDataSet::BeginInsertAppend() {
  CheckBrowseMode();
  if (!GetCanModify()) DatabaseError("Cannot modify a read-only dataset", this);
  DoEvent(BeforeInsert);
  DoEvent(BeforeScroll);
}

void TDataSet::EndInsertAppend() {
  SetState(dsInsert);
  try {
    if (calcFieldCount_ > 0) CalculateFields(*ActiveBuffer());
    if (OnNewRecord) OnNewRecord(this);
  } catch (...) {
    SetState(dsBrowse);
    Resync(false, false);
    throw;
  }
  modified_ = false;
  DataEvent(deDataSetChange, 0);
  DoEvent(AfterInsert);
  DoEvent(AfterScroll);
}

void TDataSet::Insert() {
  BeginInsertAppend();
  // The new record takes the active record's row; the window's last record drops out when
  // the window is full.
  UpdateCursorPos();
  TRecordBuffer buf;
  InternalInitRecord(buf);
  buf.Flag = bfInserted;
  if (recordCount_ > 0) buf.Pos = buffers_[std::size_t(activeRecord_)].Pos;
  if (recordCount_ == bufferCount_) {
    buffers_.pop_back();
    --recordCount_;
  }
  buffers_.insert(buffers_.begin() + activeRecord_, std::move(buf));
  buffers_.resize(std::size_t(bufferCount_));
  ++recordCount_;
  currentRecord_ = -1;
  EndInsertAppend();
}

void TDataSet::Append() {
  BeginInsertAppend();
  TRecordBuffer buf;
  InternalInitRecord(buf);
  buf.Flag = bfEOF;
  // The window shows the last records with the new one after them.
  ClearBuffers();
  InternalLast();
  buffers_.assign(std::size_t(bufferCount_), TRecordBuffer());
  while (recordCount_ < bufferCount_ - 1 && GetPriorRecord()) {
  }
  buffers_[std::size_t(recordCount_)] = std::move(buf);
  activeRecord_ = recordCount_;
  ++recordCount_;
  currentRecord_ = -1;
  bof_ = false;
  // The appended record stands after the last one: the data set is at its end.
  eof_ = true;
  EndInsertAppend();
}

void TDataSet::Post() {
  UpdateRecord();
  if (state_ != dsEdit && state_ != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  for (TField* f : fields_->items_)
    if (f->required_ && f->fieldKind_ == fkData && f->IsNull())
      DatabaseError("Field '" + f->DisplayName() + "' must have a value", this);
  DoEvent(BeforePost);
  InternalPost();  // leaves the storage cursor on the posted record
  TRecordBuffer& buf = buffers_[std::size_t(activeRecord_)];
  buf.HasValues = false;
  buf.Values.clear();
  SetState(dsBrowse);
  Resync(true, false);
  UpdateBufferCount();
  DoEvent(AfterPost);
}

void TDataSet::Cancel() {
  if (state_ != dsEdit && state_ != dsInsert && state_ != dsSetKey) return;
  DataEvent(deCheckBrowseMode, 0);
  DoEvent(BeforeCancel);
  bool inserting = state_ == dsInsert;
  InternalCancel();
  TRecordBuffer* buf = ActiveBuffer();
  Int64 insertedAt = buf != nullptr ? buf->Pos : -1;
  bool appended = buf != nullptr && buf->Flag == bfEOF;
  if (buf != nullptr) {
    buf->HasValues = false;
    buf->Values.clear();
  }
  if (inserting) {
    // Drop the new record's buffer; the window is read again around its neighbour.
    buffers_.erase(buffers_.begin() + activeRecord_);
    buffers_.resize(std::size_t(bufferCount_));
    --recordCount_;
    if (activeRecord_ >= recordCount_ && activeRecord_ > 0) --activeRecord_;
    currentRecord_ = -1;
  }
  SetState(dsBrowse);
  if (recordCount_ > 0) {
    Resync(false, false);
  } else if (inserting) {
    // The window held only the new record: show the record it stood before, or the last.
    if (appended || insertedAt < 0) {
      InternalLast();
    } else {
      TRecordBuffer at;
      at.Pos = insertedAt;
      InternalSetToRecord(at);
    }
    Resync(true, false);
  } else {
    ClearBuffers();
    DataEvent(deDataSetChange, 0);
  }
  UpdateBufferCount();
  DoEvent(AfterCancel);
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == dsInsert || state_ == dsSetKey) {
    Cancel();
    return;
  }
  if (recordCount_ == 0) DatabaseError("Cannot perform this operation on an empty dataset", this);
  DataEvent(deCheckBrowseMode, 0);
  DoEvent(BeforeDelete);
  DoEvent(BeforeScroll);
  UpdateCursorPos();
  InternalDelete();  // leaves the cursor on the record after the deleted one, or the last
  if (TRecordBuffer* buf = ActiveBuffer()) {
    buf->HasValues = false;
    buf->Values.clear();
  }
  SetState(dsBrowse);
  Resync(true, false);
  DoEvent(AfterDelete);
  DoEvent(AfterScroll);
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  UpdateCursorPos();
  Resync(false, false);
}

void TDataSet::InsertRecord(const std::vector<Variant>& values) {
  Insert();
  for (std::size_t i = 0; i < values.size() && i < std::size_t(fields_->Count()); ++i)
    if (!VarIsEmpty(values[i])) fields_->items_[i]->SetValue(values[i]);
  Post();
}

void TDataSet::AppendRecord(const std::vector<Variant>& values) {
  Append();
  for (std::size_t i = 0; i < values.size() && i < std::size_t(fields_->Count()); ++i)
    if (!VarIsEmpty(values[i])) fields_->items_[i]->SetValue(values[i]);
  Post();
}

// ---------------------------------------------------------------------------------------------
// Filtering

void TDataSet::SetFiltered(bool value) {
  if (value == filtered_) return;
  if (Active()) {
    CheckBrowseMode();
    filtered_ = value;
    FilterChanged();
    First();
  } else {
    filtered_ = value;
  }
}

void TDataSet::SetFilterOptions(TFilterOptions value) {
  if (value == filterOptions_) return;
  if (Active()) CheckBrowseMode();
  filterOptions_ = value;
  if (Active() && filtered_) {
    FilterChanged();
    First();
  }
}
