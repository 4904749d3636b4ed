// Data-set controller: the data link and the provider (loading, cursor and focus, grid mode,
// sharing one data set between controllers, editing through the data set).
#include <algorithm>

#include "data/cxCustomDataInternal.h"
#include "data/cxDBData.h"
#include "data/cxVariants.h"
#include "rtl/SysUtils.h"

using cxdata_internal::Finally;

namespace {

// Every data-set provider, in creation order.
std::vector<TcxDBDataProvider*>& Registry() {
  static std::vector<TcxDBDataProvider*> list;
  return list;
}

bool EditingState(TDataSet* ds) {
  return ds != nullptr && (ds->State() == dsEdit || ds->State() == dsInsert || ds->State() == dsSetKey);
}

TField* SourceOf(TcxCustomDataField* field) {
  auto* f = dynamic_cast<TcxDBDataField*>(field);
  return f ? f->SourceField() : nullptr;
}

}  // namespace

// =============================================================================================
// Data link

TcxDBDataLink::TcxDBDataLink(TcxDBDataProvider* provider) : provider_(provider) { SetVisualControl(true); }

void TcxDBDataLink::DataEvent(TDataEvent event, NativeInt info) {
  TDataLink::DataEvent(event, info);
  if (event == deDisabledStateChange && info == 0) layoutChangePending_ = true;
}

void TcxDBDataLink::ActiveChanged() {
  TcxDBDataProvider* p = provider_;
  {
    p->activating_ = true;
    Finally reset{[p] { p->activating_ = false; }};
    p->ActiveChanged(Active());
    TcxDBDataController* c = p->DBController();
    if (c->IsLoading()) c->loaded_ = true;
  }
  p->activatedInInsert_ = DataSet() != nullptr && DataSet()->State() == dsInsert;
  if (!Active()) layoutChangePending_ = false;
}

void TcxDBDataLink::DataSetChanged() {
  // The data-set change that ends another controller's walk of the shared data set (its
  // EnableControls) changes no data: a position re-sync does, not a second load.
  if (provider_->IsOtherProviderEndingWalk()) {
    provider_->LayoutChangedBy(0);
    return;
  }
  if (layoutChangePending_) {
    LayoutChanged();
    return;
  }
  provider_->DoDataSetChanged();
}

void TcxDBDataLink::DataSetScrolled(Integer distance) { provider_->LayoutChangedBy(distance); }

void TcxDBDataLink::EditingChanged() {
  TcxDBDataProvider* p = provider_;
  if (!p->IsSyncMode()) return;
  TcxDBDataController* c = p->DBController();
  TDataSet* ds = DataSet();
  if (Active() && ds->State() == dsEdit) {
    c->inUnboundCopy_ = true;
    Finally reset{[c] { c->inUnboundCopy_ = false; }};
    p->BeginEditing();
  } else if (Active() && ds->State() == dsInsert && !ds->ControlsDisabled()) {
    if ((p->activatedInInsert_ || c->InUpdateGridModeBufferCount()) && p->IsGridMode() && !p->inInsert_)
      MirrorDataSetInsert();
  } else {
    // The data set left the editing states: what the provider assigned belongs to that edit.
    p->AssignedFields()->Clear();
    p->ResetEditing();
  }
  p->activatedInInsert_ = false;
}

void TcxDBDataLink::FocusControl(TField** field) {
  if (field == nullptr || *field == nullptr) return;
  TcxDBDataController* c = provider_->DBController();
  for (int i = 0; i < c->Fields()->Count(); ++i) {
    auto* f = dynamic_cast<TcxDBDataField*>(c->Fields()->Items(i));
    if (f == nullptr || f->IsInternal() || f->SourceField() != *field) continue;
    if (i < c->GetItemCount()) {
      bool done = false;
      c->FocusItemControl(i, done);
      if (done) *field = nullptr;  // the data set looks no further
    }
    return;
  }
}

void TcxDBDataLink::LayoutChanged() {
  TDataSet* ds = DataSet();
  if ((ds != nullptr && ds->State() == dsInsert) || (provider_->IsSmartRefresh() && PreventLayoutChange)) {
    provider_->DoDataSetChanged();
    return;
  }
  layoutChangePending_ = false;
  provider_->UpdateItems(true);
}

void TcxDBDataLink::RecordChanged(TField* field) { provider_->RecordChanged(field); }

void TcxDBDataLink::UpdateData() {
  provider_->TcxCustomDataProvider::UpdateData();
  RecordChanged(nullptr);
  provider_->EndChanging();
}

void TcxDBDataLink::MirrorDataSetInsert() {
  TcxDBDataProvider* p = provider_;
  p->inInserting_ = true;
  Finally reset{[p] { p->inInserting_ = false; }};
  p->InsertOrAppend(p->IsEOF() && !p->insertOperation_);
}

// =============================================================================================
// Assigned fields

void TcxDBDataAssignedFields::Add(TField* field) {
  if (!Contains(field)) items_.push_back(field);
}
void TcxDBDataAssignedFields::AddList(const std::vector<TField*>& list) {
  for (TField* f : list)
    if (f != nullptr) items_.push_back(f);
}
void TcxDBDataAssignedFields::AddNames(TDataSet* dataSet, const String& names) {
  std::vector<TField*> list;
  dataSet->GetFieldList(list, names);
  AddList(list);
}
void TcxDBDataAssignedFields::Remove(TField* field) {
  items_.erase(std::remove(items_.begin(), items_.end(), field), items_.end());
}
bool TcxDBDataAssignedFields::Contains(TField* field) const {
  return std::find(items_.begin(), items_.end(), field) != items_.end();
}

// =============================================================================================
// Provider: construction and sharing

TcxDBDataProvider::TcxDBDataProvider(TcxCustomDataController* controller) : TcxCustomDataProvider(controller) {
  assignedFields_ = std::make_unique<TcxDBDataAssignedFields>();
  Registry().push_back(this);
  link_ = std::make_unique<TcxDBDataLink>(this);
}

TcxDBDataProvider::~TcxDBDataProvider() {
  RemoveFromListeners();
  link_->SetDataSource(nullptr);
  link_.reset();
  auto& r = Registry();
  r.erase(std::remove(r.begin(), r.end(), this), r.end());
}

TcxDBDataController* TcxDBDataProvider::DBController() const {
  return static_cast<TcxDBDataController*>(DataController());
}

void TcxDBDataProvider::SetDataSource(TDataSource* source) {
  if (link_->DataSource() != source) link_->SetDataSource(source);
}

std::vector<TcxDBDataProvider*> TcxDBDataProvider::SharingProviders() {
  std::vector<TcxDBDataProvider*> list;
  TDataSet* ds = DataSet();
  if (ds == nullptr) return list;
  for (TcxDBDataProvider* p : Registry())
    if (p->DataSet() == ds) list.push_back(p);
  return list;
}

void TcxDBDataProvider::AddListener(TcxDBDataProvider* p) {
  if (std::find(listeners_.begin(), listeners_.end(), p) == listeners_.end()) listeners_.push_back(p);
}

void TcxDBDataProvider::RemoveFromListeners() {
  for (TcxDBDataProvider* p : Registry()) {
    auto& l = p->listeners_;
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
  }
}

bool TcxDBDataProvider::WaitForLockedProvider() {
  for (TcxDBDataProvider* p : SharingProviders()) {
    if (p == this) continue;
    if (p->NotificationLockCount() != 0 || (IsKeyNavigation() && p->LocateCount() != 0)) {
      // A provider inside a locate wakes nobody: the change reaches this one afterwards anyway.
      if (p->LocateCount() == 0) p->AddListener(this);
      return true;
    }
  }
  return false;
}

bool TcxDBDataProvider::IsNotificationDeferred() {
  for (TcxDBDataProvider* p : SharingProviders()) {
    bool locked = p->NotificationLockCount() != 0 || p->inNotify_ ||
                  ((IsKeyNavigation() || IsGridMode()) && p->LocateCount() != 0);
    if (!locked) continue;
    if (p->inNotify_) return !postLocate_;
    if (postLocate_) return false;
    return !(IsGridMode() && LocateCount() != 0);
  }
  return false;
}

void TcxDBDataProvider::MarkPostLocate() {
  for (TcxDBDataProvider* p : SharingProviders())
    if (!p->DataController()->IsPattern()) p->postLocate_ = true;
}

// =============================================================================================
// Mode predicates

bool TcxDBDataProvider::IsUniDirectional() { return DataSet() != nullptr && DataSet()->IsUniDirectional(); }
bool TcxDBDataProvider::IsDataSetEditing() { return EditingState(DataSet()); }

bool TcxDBDataProvider::IsGridMode() {
  TcxDBDataController* c = DBController();
  return c->DataModeController() != nullptr && c->DataModeController()->GridMode() && !IsUniDirectional() &&
         !LoadAllNeeded() && !c->IsPattern();
}

bool TcxDBDataProvider::IsActiveDataSet() { return DataSet() != nullptr && DataSet()->State() != dsInactive; }

bool TcxDBDataProvider::IsOtherInsert() {
  for (TcxDBDataProvider* p : SharingProviders())
    if (p != this && p->inInsert_) return true;
  return false;
}

bool TcxDBDataProvider::IsKeyNavigation() { return DBController()->HasRecordKeys(); }

bool TcxDBDataProvider::IsSmartRefresh() {
  return IsKeyNavigation() && !IsGridMode() && DBController()->DataModeController()->SmartRefresh();
}

bool TcxDBDataProvider::IsSyncMode() {
  TDataSet* ds = DataSet();
  TcxDBDataController* c = DBController();
  bool result = ds != nullptr && ds->Active() && (IsGridMode() || c->DataModeController()->SyncMode()) &&
                !ds->IsUniDirectional();
  if (!c->IsDetailMode()) return result;
  TcxDBDataModeController* m = c->DataModeController();
  if (!m->DetailSyncMode) return false;
  if (m->DetailInSQLMode) return result && IsDataSetCurrent();
  if (!IsKeyNavigation() && !IsGridMode()) return false;
  return result;
}

bool TcxDBDataProvider::IsDataAvailable() {
  TDataSet* ds = DataSet();
  return ds != nullptr && ds->Active() && !ds->ControlsDisabled();
}

bool TcxDBDataProvider::IsStructureAvailable() {
  TDataSet* ds = DataSet();
  return ds != nullptr && ds->FieldCount() > 0 && (ds->Active() || !ds->DefaultFields());
}

bool TcxDBDataProvider::IsBOF() {
  if (DataSet() == nullptr) return TcxCustomDataProvider::IsBOF();
  return DataSet()->Bof() || !link_->Active();
}

bool TcxDBDataProvider::IsEditing() {
  if (IsStorageEditing()) return TcxCustomDataProvider::IsEditing();
  return IsDataSetEditing();
}

bool TcxDBDataProvider::IsInserting() { return DataSet() != nullptr && DataSet()->State() == dsInsert; }

bool TcxDBDataProvider::IsEOF() {
  TDataSet* ds = DataSet();
  if (ds == nullptr) return TcxCustomDataProvider::IsEOF();
  TcxDBDataController* c = DBController();
  if (c->IsDetailMode() && !IsGridMode()) {
    if (c->MasterDetailKeyValues().IsEmpty() || ds->Eof()) return true;
    if (EditingState(ds)) return false;
    if (c->DetailKeyFieldNamesInUse().empty()) return true;
    std::vector<TField*> keys;
    ds->GetFieldList(keys, c->DetailKeyFieldNamesInUse());
    return !VariantsCompareEqual(GetFieldValues(keys), c->MasterDetailKeyValues());
  }
  return ds->Eof() || !link_->Active();
}

// =============================================================================================
// Loading and position

void TcxDBDataProvider::RecordAppended(int recordIndex) {
  if (DataSet() != nullptr && !IsKeyNavigation() && !savedPos_.Bookmark.empty() &&
      CompareBookmarks(DataSet()->Bookmark(), savedPos_.Bookmark) == 0)
    dataSetRecordIndex_ = recordIndex;
}

void TcxDBDataProvider::First() {
  inFirst_ = true;
  Finally reset{[this] { inFirst_ = false; }};
  TcxCustomDataProvider::First();
  TDataSet* ds = DataSet();
  if (ds == nullptr) return;
  TcxDBDataController* c = DBController();
  if (!c->IsDetailMode() || IsGridMode()) {
    if (ds->Active()) ds->First();
    return;
  }
  if (c->MasterDetailKeyValues().IsEmpty()) return;
  // Without key names there is no key link: the detail shows nothing.
  if (c->DetailKeyFieldNamesInUse().empty()) return;
  bool reopened = false;
  c->DataModeController()->DetailFirst(c->DetailKeyFieldNamesInUse(), c->MasterDetailKeyValues(), reopened);
  if (reopened) BeginLoad();
  SetDataSetCurrent(true);
}

void TcxDBDataProvider::Prior() {
  if (DataSet()) DataSet()->Prior();
}
void TcxDBDataProvider::Next() {
  if (DataSet()) DataSet()->Next();
}
void TcxDBDataProvider::MoveBy(int distance) {
  if (DataSet()) DataSet()->MoveBy(distance);
}
void TcxDBDataProvider::Last() {
  if (DataSet() && DataSet()->Active()) DataSet()->Last();
}

void TcxDBDataProvider::BeginLoad() {
  TDataSet* ds = DataSet();
  if (ds == nullptr) return;
  savedPos_.Bookmark = ds->BookmarkAvailable() ? ds->Bookmark() : String();
  savedPos_.ActiveRecord = link_->ActiveRecord();
  savedPos_.Bof = ds->Bof();
  savedPos_.Eof = ds->Eof();
}

void TcxDBDataProvider::EndLoad() {
  TDataSet* ds = DataSet();
  if (ds == nullptr || savedPos_.Bookmark.empty() || !BookmarkValid(savedPos_.Bookmark)) return;
  try {
    ds->SetBookmark(savedPos_.Bookmark);
    int ar = link_->ActiveRecord(), s = savedPos_.ActiveRecord, b = link_->BufferCount();
    if (ar > s) {
      ds->MoveBy(b - 1 - s);
      ds->MoveBy(s - b + 1);
    } else if (ar < s) {
      ds->MoveBy(-s);
      ds->MoveBy(s);
    }
    if (savedPos_.Bof && !ds->Bof()) ds->Prior();
    if (savedPos_.Eof && !ds->Eof()) ds->Next();
  } catch (const EDatabaseError&) {
    // The record went away between saving and restoring: the cursor stays where it is.
  }
}

void TcxDBDataProvider::BeginLocate() {
  TcxCustomDataProvider::BeginLocate();
  if (IsDataSetEditing()) MarkPostLocate();
}

void TcxDBDataProvider::LockNotification() {
  TDataSet* ds = DataSet();
  // A pending edit holding typed values is posted (as moving the cursor would post it) before
  // the walk; an edit without changes is abandoned.
  if (ds != nullptr && ds->Active() && EditingState(ds) && ds->Modified()) {
    MarkPostLocate();
    ds->CheckBrowseMode();
  }
  TcxCustomDataProvider::LockNotification();
  if (ds == nullptr) return;
  ds->DisableControls();
  if (ds->Active() && EditingState(ds)) {
    MarkPostLocate();
    ds->Cancel();
  }
}

bool TcxDBDataProvider::IsOtherProviderEndingWalk() {
  if (postLocate_) return false;
  for (TcxDBDataProvider* p : SharingProviders())
    if (p != this && p->endingWalk_) return true;
  return false;
}

void TcxDBDataProvider::UnlockNotification() {
  if (DataSet() != nullptr) {
    endingWalk_ = true;
    Finally reset{[this] { endingWalk_ = false; }};
    DataSet()->EnableControls();
  }
  TcxCustomDataProvider::UnlockNotification();
}

bool TcxDBDataProvider::BookmarkValid(const String& bookmark) {
  return DataSet() != nullptr && DataSet()->BookmarkValid(bookmark);
}

int TcxDBDataProvider::CompareBookmarks(const String& a, const String& b) {
  if (!link_->Active()) return -1;
  return DataSet()->CompareBookmarks(a, b);
}

void TcxDBDataProvider::ActiveChanged(bool active) {
  TcxCustomDataProvider::ActiveChanged(active);
  TDataSet* ds = DataSet();
  if (ds != nullptr && !ds->Active() && ds->DefaultFields()) DBController()->ResetDBFields();
}

void TcxDBDataProvider::UpdateItems(bool updateFields) {
  for (TcxDBDataProvider* p : SharingProviders())
    if (p->NotificationLockCount() > 0 && p->DBController()->IsDetailMode()) {
      if (IsDataAvailable()) DataController()->UpdateFields();
      return;
    }
  TcxCustomDataProvider::UpdateItems(updateFields);
}

// =============================================================================================
// Scrolling, focus and grid mode

void TcxDBDataProvider::LayoutChangedBy(int distance) {
  TcxDBDataController* c = DBController();
  if (IsGridMode()) {
    dataSetRecordIndex_ = link_->ActiveRecord();
    c->BeginInfoUpdate();
    Finally end{[c] { c->EndInfoUpdate(); }};
    if (distance != 0) c->GridModeScrolled();
  } else {
    dataSetRecordIndex_ += distance;
  }
  TcxCustomDataProvider::LayoutChanged();
  if (IsGridMode() && DataSet() && DataSet()->IsSequenced()) c->SequencedScrolled();
}

int TcxDBDataProvider::GetGridModeFocusedRecordIndex() {
  if (!inUpdateGridMode_ && IsInserting() && EditingRecordIndex() != cxNullEditingRecordIndex)
    return EditingRecordIndex();
  if (inUpdateGridMode_ && IsInserting() && DataController()->IsNewItemRowEditing())
    return DataController()->GetNewItemRecordIndex();
  return dataSetRecordIndex_;
}

int TcxDBDataProvider::GridModeBufferCount() {
  int n = DBController()->DataModeController()->GridModeBufferCount();
  return n != 0 ? n : DBController()->DefaultGridModeBufferCount();
}

void TcxDBDataProvider::LoadGridModeBuffer() {
  if (!link_->Active() || !IsGridMode()) return;
  link_->SetBufferCount(GridModeBufferCount());
  TcxDataStorage* s = DataController()->Storage();
  s->ClearAll(true);
  s->ChangeRecordsCount(link_->RecordCount());
  dataSetRecordIndex_ = link_->ActiveRecord();
}

namespace {
template <typename Read>
auto ReadAtRow(TcxDBDataLink* link, int row, Read read) {
  int saved = link->ActiveRecord();
  link->SetActiveRecord(row);
  Finally back{[link, saved] { link->SetActiveRecord(saved); }};
  return read();
}
}  // namespace

String TcxDBDataProvider::GetGridModeDisplayText(int recordIndex, TcxCustomDataField* field) {
  TField* f = SourceOf(field);
  if (f == nullptr) return TcxCustomDataProvider::GetGridModeDisplayText(recordIndex, field);
  if (recordIndex >= 0 && recordIndex < link_->RecordCount())
    return ReadAtRow(link_.get(), recordIndex, [f] { return f->DisplayText(); });
  if (IsInserting() || incrementalSearching_) return f->DisplayText();
  return String();
}

Variant TcxDBDataProvider::GetGridModeValue(int recordIndex, TcxCustomDataField* field) {
  TField* f = SourceOf(field);
  if (f == nullptr) return TcxCustomDataProvider::GetGridModeValue(recordIndex, field);
  auto read = [f] { return f->IsNull() ? Null() : f->Value(); };
  if (recordIndex >= 0 && recordIndex < link_->RecordCount()) return ReadAtRow(link_.get(), recordIndex, read);
  if (IsInserting() || incrementalSearching_) return read();
  return Null();
}

void TcxDBDataProvider::Scroll(int distance) {
  if (!IsGridMode() || distance == 0 || !IsDataAvailable()) return;
  int a = link_->ActiveRecord(), r = link_->RecordCount();
  if (distance < 0)
    DataSet()->MoveBy(distance - a);
  else
    DataSet()->MoveBy(distance + r - a - 1);
  DataController()->UpdatePrevSelectionInfo();
  DataController()->ChangeFocusedRowSelected(true);
}

void TcxDBDataProvider::UpdateGridMode() {
  if (!link_->Active() || !IsGridMode()) return;
  TcxDBDataController* c = DBController();
  int count = c->GetRecordCount();
  link_->SetBufferCount(GridModeBufferCount());
  dataSetRecordIndex_ = link_->ActiveRecord();
  if (count != link_->RecordCount() || IsInserting()) {
    DataChanged(dckAll, -1, -1);
    if (c->InUpdateGridModeBufferCount() && IsDataSetEditing() && !link_->ReadOnly()) link_->EditingChanged();
  } else {
    DataChanged(dckRecord, -1, -1);
    c->CheckFocusing();
  }
}

bool TcxDBDataProvider::IncrementalSearchInGridMode(const String& text, bool forward, bool next) {
  TDataSet* ds = DataSet();
  if (ds == nullptr || IsEditing() || !ds->Active() || (ds->Bof() && ds->Eof())) return false;
  TcxCustomDataController* c = DataController();
  TcxCustomDataField* item = nullptr;
  int itemIndex = c->Search()->ItemIndex();
  if (itemIndex >= 0 && itemIndex < c->GetItemCount()) item = c->Fields()->Items(itemIndex);
  TField* f = SourceOf(item);
  if (f == nullptr) return false;
  auto matches = [&] {
    incrementalSearching_ = true;
    Finally reset{[this] { incrementalSearching_ = false; }};
    String t = f->DisplayText();
    return AnsiUpperCase(t.substr(0, text.size())) == AnsiUpperCase(text) && t.size() >= text.size();
  };
  if (!next && matches()) {
    c->CheckFocusing();
    return true;
  }
  bool found = false;
  {
    LockNotification();
    Finally unlock{[this] { UnlockNotification(); }};
    BeginLoad();
    String stopBookmark;
    bool stop = false;
    auto step = [&] {
      if (forward) {
        ds->Next();
        if (ds->Eof()) {
          if (next) stop = true;
          else ds->First();
          stopBookmark = savedPos_.Bookmark;
        }
      } else {
        ds->Prior();
        if (ds->Bof()) {
          if (next) stop = true;
          else ds->Last();
          stopBookmark = savedPos_.Bookmark;
        }
      }
    };
    bool forced = false;
    if (next)
      step();
    else if (ds->Eof())
      forced = true;
    while (!stop && (!ds->Eof() || next || forced)) {
      forced = false;
      if (!stopBookmark.empty() && CompareBookmarks(ds->Bookmark(), stopBookmark) == 0) break;
      if (matches()) {
        found = true;
        break;
      }
      step();
    }
    if (!found) EndLoad();
  }
  if (found) {
    c->UpdatePrevSelectionInfo();
    c->Change({dccLayout});
  }
  c->DataLoaded();
  return found;
}

// =============================================================================================
// Data-set changes

void TcxDBDataProvider::DoDataSetChanged() {
  TcxDBDataController* c = DBController();
  TDataSet* ds = DataSet();
  if (WaitForLockedProvider()) return;
  if (c->IsDetailQueryOutdated()) return;
  if (IsNotificationDeferred()) {
    LayoutChangedBy(0);
    return;
  }
  if (IsGridMode()) {
    inUpdateGridMode_ = true;
    Finally reset{[this] { inUpdateGridMode_ = false; }};
    {
      c->BeginUpdate();
      Finally end{[c] { c->EndUpdate(); }};
      UpdateGridMode();
      if (c->MultiSelect()) c->DBSelection()->DropInvalidBookmarks();
      c->CheckBookmarkValid(-1);
      if (ds != nullptr && ds->State() == dsInsert) link_->MirrorDataSetInsert();
    }
    CheckExpandedDetails();
    return;
  }
  if (!EditingState(ds)) {
    if (IsSmartRefresh()) {
      RefreshUpdatedRecord();
      LayoutChangedBy(0);
    } else {
      DataChanged(dckAll, -1, -1);
    }
    ResetUpdatingRecord();
    return;
  }
  if (ds->State() == dsInsert && !InInserting() && (!c->IsDetailMode() || IsDataSetCurrent()) &&
      c->DataModeController()->SyncInserts)
    link_->MirrorDataSetInsert();
}

void TcxDBDataProvider::SetDataSetCurrent(bool value) {
  if (dataSetCurrent_ == value) return;
  if (value) {
    // One clone of a level holds the shared query at a time: the others lose the mark and
    // their focus.
    TcxDBDataController* self = DBController();
    self->ForEachSiblingDetail([self](TcxDBDataController* c) {
      if (c == self || c->inResetDataSetCurrent_) return;
      c->inResetDataSetCurrent_ = true;
      Finally reset{[c] { c->inResetDataSetCurrent_ = false; }};
      c->DBProvider()->SetDataSetCurrent(false);
      c->ChangeFocusedRowIndex(-1);
    });
  }
  dataSetCurrent_ = value;
  DBController()->DataSetCurrentChanged(value);
}

void TcxDBDataProvider::ResetUpdatingRecord() {
  updatingRecordIndex_ = cxNullEditingRecordIndex;
  updatingRecordIsInserting_ = false;
  updatingNewRecordIndex_ = -1;
}

// =============================================================================================
// Editing through the data set

bool TcxDBDataProvider::CanModify() {
  TDataSet* ds = DataSet();
  return ds != nullptr && ds->Active() && ds->CanModify() && IsSyncMode();
}

bool TcxDBDataProvider::CanDelete() { return CanModify() && !DataSet()->IsEmpty(); }

bool TcxDBDataProvider::CanInitEditing(int recordIndex) {
  if (IsStorageEditing()) return TcxCustomDataProvider::CanInitEditing(recordIndex);
  TcxCustomDataController* c = DataController();
  bool result, newItemRow = false;
  {
    inCanInitEditing_ = true;
    Finally reset{[this] { inCanInitEditing_ = false; }};
    if (c->IsNewItemRowEditing() && !IsInserting()) {
      Insert();
      result = newItemRow = true;
    } else {
      result = link_->Edit();
    }
  }
  if (result) {
    BeginChanging();
    if (newItemRow) c->Change({dccUpdateRecord});
  }
  return result;
}

void TcxDBDataProvider::DataSetInsertOrAppend(bool append) {
  TDataSet* ds = DataSet();
  if (ds == nullptr) return;
  inInsert_ = true;
  Finally reset{[this] { inInsert_ = false; }};
  if (EditingState(ds)) {
    if (!IsSmartRefresh() && ds->State() == dsInsert) DataController()->EnsureBrowseMode();
    if (EditingState(ds)) link_->UpdateRecord();
    if (IsSmartRefresh()) {
      ds->DisableControls();
      Finally enable{[ds] { ds->EnableControls(); }};
      ds->CheckBrowseMode();
      RefreshUpdatedRecord();
      ResetUpdatingRecord();
      ResetEditing();
    }
  }
  if (append)
    ds->Append();
  else
    ds->Insert();
}

void TcxDBDataProvider::Append() { DataSetInsertOrAppend(true); }

void TcxDBDataProvider::Insert() {
  insertOperation_ = true;
  Finally reset{[this] { insertOperation_ = false; }};
  DataSetInsertOrAppend(false);
}

void TcxDBDataProvider::Edit() {
  if (IsStorageEditing()) {
    TcxCustomDataProvider::Edit();
    return;
  }
  if (DataSet()) DataSet()->Edit();
}

void TcxDBDataProvider::Post() {
  if (IsStorageEditing()) {
    TcxCustomDataProvider::Post();
    return;
  }
  TcxCustomDataController* c = DataController();
  if (IsSmartRefresh()) {
    DataSet()->CheckBrowseMode();
    return;
  }
  c->BeginUpdate();
  Finally end{[c] { c->EndUpdate(); }};
  DataSet()->CheckBrowseMode();
}

void TcxDBDataProvider::PostEditingData() {
  if (link_->Active()) link_->UpdateData();
}

bool TcxDBDataProvider::Cancel() {
  if (IsStorageEditing()) return TcxCustomDataProvider::Cancel();
  if (IsSmartRefresh()) {
    TcxDBDataController* c = DBController();
    c->inUnboundCopy_ = true;
    Finally reset{[c] { c->inUnboundCopy_ = false; }};
    TcxCustomDataProvider::Cancel();
  }
  CancelDataSet();
  return true;
}

void TcxDBDataProvider::CancelDataSet() {
  TDataSet* ds = DataSet();
  if (ds == nullptr) return;
  TcxDBDataController* c = DBController();
  if (c->IsDetailMode() && IsEOF()) {
    ds->DisableControls();
    Finally enable{[ds] { ds->EnableControls(); }};
    Variant key;
    bool taken = false;
    if (c->RowCount() >= 2) {
      key = c->GetRecordId(c->RowInfoAt(c->RowCount() - 2).RecordIndex);
      taken = true;
    }
    ds->Cancel();
    if (taken) ds->Locate(c->KeyFieldNames(), key, {});
    return;
  }
  ds->Cancel();
}

Variant TcxDBDataProvider::GetValue(int recordIndex, TcxCustomDataField* field, int valueSource) {
  if (IsStorageEditing()) return TcxCustomDataProvider::GetValue(recordIndex, field, valueSource);
  TField* f = SourceOf(field);
  if (f == nullptr) {
    if (field->IsUnboundField()) return TcxCustomDataProvider::GetValue(recordIndex, field, valueSource);
    return Null();
  }
  if (valueSource == 1) return f->IsNull() && !f->OnGetText ? Null() : Variant(f->Text());
  if (valueSource == 2 && !f->KeyFields().empty()) return f->DataSet()->FieldValues(f->KeyFields());
  return f->IsNull() ? Null() : f->Value();
}

bool TcxDBDataProvider::SetEditValue(int recordIndex, TcxCustomDataField* field, int valueSource,
                                     const Variant& value) {
  if (IsStorageEditing()) return TcxCustomDataProvider::SetEditValue(recordIndex, field, valueSource, value);
  TField* f = SourceOf(field);
  if (f == nullptr) {
    if (field->IsUnboundField()) return TcxCustomDataProvider::SetEditValue(recordIndex, field, valueSource, value);
    return false;
  }
  if (valueSource == 1 || f->OnSetText) {
    f->SetText(value.IsNull() || value.IsEmpty() ? String() : VarToStr(value));
  } else if (valueSource == 2 && !f->KeyFields().empty()) {
    f->DataSet()->SetFieldValues(f->KeyFields(), value);
    std::vector<TField*> keys;
    f->DataSet()->GetFieldList(keys, f->KeyFields());
    for (TField* k : keys) assignedFields_->Remove(k);
    return true;
  } else {
    WriteFieldValue(f, value);
  }
  // The user's value: the field no longer holds only what the provider assigned.
  assignedFields_->Remove(f);
  return true;
}

void TcxDBDataProvider::ClearNearestRecord() {
  TcxCustomDataController* c = DataController();
  Finally base{[this] { TcxCustomDataProvider::ClearNearestRecord(); }};
  int n = c->NearestRecordIndex();
  if (IsSmartRefresh() && n != -1 && n < c->GetRecordCount()) c->ChangeFocusedRecordIndex(n);
}

void TcxDBDataProvider::SetGroupingValue(int, TcxCustomDataField* field, const Variant& value) {
  TField* f = SourceOf(field);
  if (f == nullptr) return;
  if (f->Lookup() && !f->KeyFields().empty()) {
    f->DataSet()->SetFieldValues(f->KeyFields(), value);
    assignedFields_->AddNames(f->DataSet(), f->KeyFields());
  } else {
    f->SetValue(value);
    assignedFields_->Add(f);
  }
}

void TcxDBDataProvider::AssignGroupingValues(int recordIndex, const std::vector<Variant>& values) {
  TcxDBDataController* c = DBController();
  // A new record starts with no provider-assigned fields, whoever started it: a list left from
  // an earlier insert would make the user's typing look like assigned values.
  assignedFields_->Clear();
  if (inInsert_ || inCanInitEditing_ || IsOtherInsert()) {
    TcxCustomDataProvider::AssignGroupingValues(recordIndex, values);
    if (c->GetOptions().Contains(dcoAssignMasterDetailKeys) && c->IsDetailMode() && DataSet() != nullptr) {
      std::vector<TField*> keys;
      DataSet()->GetFieldList(keys, c->DetailKeyFieldNamesInUse());
      SetFieldValues(keys, c->MasterDetailKeyValues());
      assignedFields_->AddList(keys);
    }
    c->GroupingValuesAssigned(recordIndex);
  }
  c->ReadEditingRecord();
}

void TcxDBDataProvider::RecordChanged(TField*) {
  if (IsEditing()) DBController()->ReadEditingRecord();
  EndChanging();
}

bool TcxDBDataProvider::IsDataSetModified() {
  TDataSet* ds = DataSet();
  bool result = ds != nullptr && ds->Modified();
  if (result && !assignedFields_->IsEmpty()) {
    result = false;
    for (int i = 0; i < ds->FieldCount(); ++i) {
      TField* f = ds->Fields()->Fields(i);
      if (!assignedFields_->Contains(f) && !ReadFieldValue(f).IsNull()) {
        result = true;
        break;
      }
    }
  }
  if (!result && TcxCustomDataProvider::IsModified()) {
    TcxCustomDataController* c = DataController();
    for (int i = 0; i < c->GetItemCount(); ++i)
      if (c->Fields()->Items(i)->IsUnboundField() && !c->GetEditValue(i, 0).IsNull()) return true;
  }
  return result;
}

int TcxDBDataProvider::DeleteFocused() {
  TDataSet* ds = DataSet();
  TcxDBDataController* c = DBController();
  if (ds == nullptr || c->FocusedRowIndex() == -1) return -1;
  if (IsSmartRefresh()) prevFocusedRecord_ = c->FocusedRecordIndex();
  {
    ds->DisableControls();
    Finally enable{[this, ds] {
      link_->PreventLayoutChange = false;
      ds->EnableControls();
    }};
    ds->Delete();
    link_->PreventLayoutChange = true;
    // Record indexes keep their meaning only when the controller does not reload (smart
    // refresh); otherwise the data set's own cursor (the record after the deleted one) stands.
    if (IsSmartRefresh() && c->NearestRecordIndex() != -1) c->SyncDataSetToRecord(c->NearestRecordIndex());
  }
  if (IsSmartRefresh()) {
    if (prevFocusedRecord_ >= 0 && prevFocusedRecord_ < c->GetRecordCount()) c->DeleteRecord(prevFocusedRecord_);
    c->CheckFocusing();
  }
  return -1;
}

void TcxDBDataProvider::Delete(std::vector<int>& recordIndexes) {
  TDataSet* ds = DataSet();
  if (ds == nullptr || recordIndexes.empty()) return;
  TcxDBDataController* c = DBController();
  bool smart = IsSmartRefresh();
  ds->DisableControls();
  if (smart) c->BeginUpdate();
  Finally after{[&] {
    if (smart) {
      if (c->InDeleteSelection()) c->ClearSelection();
      c->EndUpdate();
    } else if (!IsKeyNavigation()) {
      c->ClearSelection();
    }
    ds->EnableControls();
  }};
  if (IsKeyNavigation()) {
    std::vector<TcxCustomDataField*> keyFields;
    c->GetKeyFields(keyFields);
    std::vector<Variant> keys;
    for (int r : recordIndexes) keys.push_back(c->GetKeyValues(r, keyFields));
    for (int i = int(keys.size()) - 1; i >= 0; --i) {
      if (!ds->Locate(c->KeyFieldNames(), keys[std::size_t(i)], {})) continue;
      if (smart) {
        int r = c->FindRecordIndexByKey();
        if (r != -1) {
          ds->Delete();
          c->DeleteRecord(r);
        }
      } else {
        ds->Delete();
      }
    }
    if (smart) c->CheckFocusing();
    return;
  }
  std::sort(recordIndexes.begin(), recordIndexes.end());
  if (!c->CanFocusRecord(recordIndexes.back())) return;
  int count = c->GetRecordCount();
  int prev = recordIndexes.back(), fix = 0;
  for (int i = int(recordIndexes.size()) - 1; i >= 0; --i) {
    int index = recordIndexes[std::size_t(i)];
    ds->MoveBy(index - prev + fix);
    ds->Delete();
    fix = index == count - 1 ? 1 : 0;
    prev = index;
    --count;
  }
}

void TcxDBDataProvider::DeleteSelection() {
  if (!IsGridMode()) {
    TcxCustomDataProvider::DeleteSelection();
    return;
  }
  TDataSet* ds = DataSet();
  if (ds == nullptr) return;
  TcxDBDataSelection* s = DBController()->DBSelection();
  ds->DisableControls();
  Finally enable{[ds] { ds->EnableControls(); }};
  for (int i = s->BookmarkCount() - 1; i >= 0; --i) {
    ds->SetBookmark(s->Bookmark(i));
    ds->Delete();
    s->Delete(i);
  }
}

void TcxDBDataProvider::RefreshUpdatedRecord() {
  TcxDBDataController* c = DBController();
  int r = c->FocusedRecordIndex();
  if (updatingRecordIndex_ != cxNullEditingRecordIndex && updatingRecordIndex_ == r) {
    if (r < 0 && updatingNewRecordIndex_ != -1) r = updatingNewRecordIndex_;
    Variant stored = r >= 0 ? c->GetRecordId(r) : Null();
    Variant current = c->DataSetKeyValues();
    if (VariantsCompareEqual(stored, current)) {
      c->ReadRecordFromDataSet(r);
    } else {
      int a = c->LocateByKey(current);
      if (a == -1 || a == r) {
        if (r != -1) c->DeleteRecord(r);
        c->CheckFocusing();
      }
    }
  }
  c->FilterChanged();
  c->SummaryChanged(false);
  ClearPostLocate();
}

// =============================================================================================
// Master-detail

bool TcxDBDataProvider::GetDetailHasChildren(int recordIndex, int relationIndex) {
  TcxDBDataController* c = DBController();
  TcxCustomDataController* pattern = c->GetPatternDataController();
  TcxDBDataController* d = nullptr;
  if (pattern != nullptr && pattern->HasRelations() && relationIndex >= 0 &&
      relationIndex < pattern->RelationList()->RelationCount())
    d = dynamic_cast<TcxDBDataController*>(pattern->RelationList()->Relations(relationIndex)->DetailDataController());
  if (d == nullptr) return TcxCustomDataProvider::GetDetailHasChildren(recordIndex, relationIndex);
  bool result = true;
  Variant keys;
  if (auto* r = dynamic_cast<TcxDBDataRelation*>(c->RelationList()->Relations(relationIndex)))
    keys = r->ReadMasterKeyValues(recordIndex);
  if (c->OnDetailHasChildren) {
    c->OnDetailHasChildren(c, recordIndex, relationIndex, d->DetailKeyFieldNamesInUse(), keys, result);
    return result;
  }
  if (d->IsGridMode() || d->DataModeController()->DetailInSQLMode) return result;
  TDataSet* ds = d->BoundDataSet();
  if (ds == nullptr || !ds->Active()) return false;
  if (keys.IsEmpty() || d->DetailKeyFieldNamesInUse().empty()) return false;
  TcxDBDataProvider* dp = d->DBProvider();
  dp->LockNotification();
  {
    Finally unlock{[dp] { dp->UnlockNotification(); }};
    dp->BeginLoad();
    Finally restore{[dp] { dp->EndLoad(); }};
    result = ds->Locate(d->DetailKeyFieldNamesInUse(), keys, {});
  }
  d->DataLoaded();
  return result;
}
