// Data-set controller: the controller itself (companions, fields by name, key fields, focus and
// cursor, loading, grid mode) and the bookmark selection of grid mode.
#include <algorithm>

#include "data/cxCustomDataInternal.h"
#include "data/cxDBData.h"
#include "rtl/TypInfo.h"
#include "data/cxVariants.h"
#include "rtl/SysUtils.h"

using cxdata_internal::Finally;

namespace {

// Every live data-set controller: a call that may destroy one (posting an edit runs the
// owner's handlers) is checked against it afterwards.
std::vector<const TcxDBDataController*>& LiveControllers() {
  static std::vector<const TcxDBDataController*> list;
  return list;
}
bool IsAlive(const TcxDBDataController* c) {
  auto& l = LiveControllers();
  return std::find(l.begin(), l.end(), c) != l.end();
}

}  // namespace

// Tells the controller when a data-set field it is bound to is destroyed.
class TcxDBDataController::TNotifier : public TComponent {
 public:
  explicit TNotifier(TcxDBDataController* controller) : TComponent(nullptr), controller_(controller) {}
  void Notification(TComponent* c, TOperation operation) override {
    TComponent::Notification(c, operation);
    if (operation == opRemove && controller_ != nullptr) controller_->ComponentRemoved(c);
  }
  TcxDBDataController* controller_;
};

// =============================================================================================
// Construction and companions

TcxDBDataController::TcxDBDataController(TComponent* owner) : TcxCustomDataController(owner) {
  dataModeController_ = std::make_unique<TcxDBDataModeController>(this);
  notifier_ = new TNotifier(this);
  LiveControllers().push_back(this);
  RecreateCompanions();
}

TcxDBDataController::~TcxDBDataController() {
  auto& live = LiveControllers();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  // The link goes first: closing data sets must not reach a half-destroyed controller.
  DBProvider()->SetDataSource(nullptr);
  notifier_->controller_ = nullptr;
  notifier_->Free();
  notifier_ = nullptr;
  if (keyField_ != nullptr) {
    delete keyField_;
    keyField_ = nullptr;
  }
}

TcxCustomDataField* TcxDBDataController::NewField() { return new TcxDBDataField(Fields()); }
TcxCustomDataProvider* TcxDBDataController::CreateDataProvider() { return new TcxDBDataProvider(this); }
TcxDataSelection* TcxDBDataController::CreateDataSelection() { return new TcxDBDataSelection(this); }
TcxDataFilterCriteria* TcxDBDataController::CreateFilterCriteria() { return new TcxDBDataFilterCriteria(this); }

void TcxDBDataController::Assign(TPersistent* source) {
  TcxCustomDataController::Assign(source);
  auto* s = dynamic_cast<TcxDBDataController*>(source);
  if (s == nullptr) return;
  SetDataModeController(s->DataModeController());
  SetDataSource(s->DataSource());
  SetKeyFieldNames(s->keyFieldNames_);
  SetDetailKeyFieldNames(s->detailKeyFieldNames_);
  SetMasterKeyFieldNames(s->masterKeyFieldNames_);
  OnDetailHasChildren = s->OnDetailHasChildren;
}

void TcxDBDataController::RegisterFieldNotification(TField* field) { field->FreeNotification(notifier_); }

// =============================================================================================
// Properties

TDataSource* TcxDBDataController::DataSource() const { return DBProvider()->DataSource(); }

void TcxDBDataController::SetDataSource(TDataSource* value) {
  TDataSource* old = DataSource();
  TDataSet* oldSet = BoundDataSet();
  DBProvider()->SetDataSource(value);
  if (oldSet != nullptr && oldSet != BoundDataSet()) {
    // The fields of the data set left behind are no longer ours to read.
    ResetDBFields();
    UpdateFields();
  }
  if (old != DataSource()) DataSourceChanged();
}

void TcxDBDataController::SetKeyFieldNames(const String& value) {
  if (value == keyFieldNames_) return;
  keyFieldNames_ = value;
  SetNamesField(value, keyField_);
}

void TcxDBDataController::SetDetailKeyFieldNames(const String& value) {
  if (value == detailKeyFieldNames_) return;
  detailKeyFieldNames_ = value;
  if (auto* r = dynamic_cast<TcxDBDataRelation*>(GetMasterRelation())) r->KeyNamesChanged();
}

void TcxDBDataController::SetMasterKeyFieldNames(const String& value) {
  if (value == masterKeyFieldNames_) return;
  masterKeyFieldNames_ = value;
  if (auto* r = dynamic_cast<TcxDBDataRelation*>(GetMasterRelation())) r->KeyNamesChanged();
}

// =============================================================================================
// Master-detail by key fields

TcxDBDataRelation::~TcxDBDataRelation() {
  if (masterKeyField_ != nullptr) {
    TcxDBDataField* f = masterKeyField_;
    masterKeyField_ = nullptr;
    delete f;
  }
}

void TcxDBDataRelation::FieldRemoved(TcxCustomDataField* field) {
  TcxCustomDataRelation::FieldRemoved(field);
  if (field == masterKeyField_) masterKeyField_ = nullptr;
}

TcxDBDataController* TcxDBDataRelation::PatternDetail() {
  TcxCustomDataController* master = DataController();
  TcxCustomDataController* pattern = master ? master->GetPatternDataController() : nullptr;
  if (pattern == nullptr || !pattern->HasRelations()) return nullptr;
  int i = IndexInList();
  TcxCustomDataRelationList* list = pattern->RelationList();
  if (i < 0 || i >= list->RelationCount()) return nullptr;
  return dynamic_cast<TcxDBDataController*>(list->Relations(i)->DetailDataController());
}

String TcxDBDataRelation::DetailKeyNames() {
  TcxDBDataController* d = PatternDetail();
  return d ? d->DetailKeyFieldNames() : String();
}

String TcxDBDataRelation::MasterKeyNames() {
  TcxDBDataController* d = PatternDetail();
  return d ? d->MasterKeyFieldNames() : String();
}

bool TcxDBDataRelation::HasKeyLink() { return masterKeyField_ != nullptr && !DetailKeyNames().empty(); }

Variant TcxDBDataRelation::ReadMasterKeyValues(int masterRecordIndex) {
  TcxCustomDataController* master = DataController();
  master->CheckRecordRange(masterRecordIndex);
  if (!HasKeyLink()) return Variant();
  std::vector<TcxCustomDataField*> fields;
  if (masterKeyField_->SubFieldCount() > 0)
    for (int i = 0; i < masterKeyField_->SubFieldCount(); ++i) fields.push_back(masterKeyField_->SubField(i));
  else
    fields.push_back(masterKeyField_);
  return master->GetKeyValues(masterRecordIndex, fields);
}

void TcxDBDataRelation::KeyNamesChanged() {
  TcxCustomDataController* master = DataController();
  if (master == nullptr || master->DetailMode() == 2) return;
  if (auto* m = dynamic_cast<TcxDBDataController*>(master)) m->UpdateRelationKeyFields();
  Changed();
}

bool TcxDBDataController::DoDetailExpandingOrCollapsing(int recordIndex, bool expanding) {
  if (IsGridMode() && expanding) {
    // In grid mode only the focused record of the window can show its details.
    ChangeFocusedRecordIndex(recordIndex);
    if (FocusedRecordIndex() != recordIndex) ChangeFocusedRecordIndex(recordIndex);
    if (FocusedRecordIndex() != recordIndex) return false;
  }
  return TcxCustomDataController::DoDetailExpandingOrCollapsing(recordIndex, expanding);
}

TcxCustomDataRelation* TcxDBDataController::NewRelation(TcxCustomDataRelationList* list, TObject* item) {
  return new TcxDBDataRelation(list, item);
}

void TcxDBDataController::SetMasterRelation(TcxCustomDataRelation* relation, int masterRecordIndex) {
  BeginInfoUpdate();
  Finally end{[this] { EndInfoUpdate(); }};
  masterDetailKeyValues_ = Variant();
  TcxCustomDataController::SetMasterRelation(relation, masterRecordIndex);
  if (auto* r = dynamic_cast<TcxDBDataRelation*>(relation); r != nullptr && masterRecordIndex != -1) {
    masterDetailKeyValues_ = r->ReadMasterKeyValues(masterRecordIndex);
    LayoutChanged(2);
  }
}

void TcxDBDataController::ForEachSiblingDetail(const std::function<void(TcxDBDataController*)>& f) {
  TcxCustomDataRelation* relation = GetMasterRelation();
  TcxCustomDataController* master = GetMasterDataController();
  if (relation == nullptr || master == nullptr || !master->HasRelations()) return;
  int index = relation->IndexInList();
  for (int r = 0; r < master->GetRecordCount(); ++r) {
    TcxDetailObject* d = master->RelationList()->DetailObjectOf(r);
    if (d == nullptr) continue;
    auto* c = dynamic_cast<TcxDBDataController*>(master->GetDetailDataControllerByLinkObject(d->LinkObjectAt(index)));
    if (c != nullptr) f(c);
  }
}

void TcxDBDataController::CheckCurrentQuery() {
  if (!dataModeController_->DetailInSQLMode || !IsDetailMode()) return;
  if (dataModeController_->DetailIsCurrentQuery(DetailKeyFieldNamesInUse(), masterDetailKeyValues_)) return;
  TcxDBDataProvider* p = DBProvider();
  p->LockNotification();
  inCheckCurrentQuery_ = true;
  Finally end{[this, p] {
    inCheckCurrentQuery_ = false;
    p->UnlockNotification();
  }};
  p->First();
  p->BeginLoad();
  p->EndLoad();
  p->dataSetRecordIndex_ = 0;
}

bool TcxDBDataController::IsDetailQueryOutdated() {
  if (!IsDetailMode() || !dataModeController_->DetailInSQLMode) return false;
  if (!dataModeController_->DetailSyncMode) return true;
  if (DBProvider()->IsDataSetCurrent() || masterDetailKeyValues_.IsEmpty()) return false;
  TDataSet* ds = BoundDataSet();
  if (ds == nullptr || DetailKeyFieldNamesInUse().empty()) return false;
  std::vector<TField*> keys;
  ds->GetFieldList(keys, DetailKeyFieldNamesInUse());
  return !VariantsCompareEqual(GetFieldValues(keys), masterDetailKeyValues_);
}

bool TcxDBDataController::CanChangeFocusedRow() {
  if (inResetDataSetCurrent_ || GetMasterRelation() == nullptr) return true;
  TcxCustomDataController* m = GetMasterDataController();
  if (m == nullptr) return true;
  if (!m->CanChangeFocusedRow()) return false;
  // Pending edits up the chain are posted first; either controller may be gone afterwards.
  auto* dbMaster = dynamic_cast<TcxDBDataController*>(m);
  m->EnsureBrowseMode();
  if (!IsAlive(this) || (dbMaster != nullptr && !IsAlive(dbMaster))) return false;
  EnsureBrowseMode();
  return IsAlive(this) && (dbMaster == nullptr || IsAlive(dbMaster));
}

void TcxDBDataController::SyncMastersFromDataSet() {
  auto* m = dynamic_cast<TcxDBDataController*>(GetMasterDataController());
  if (updateDataSetPosition_ || inCheckBrowseMode_ || (m != nullptr && m->updateDataSetPosition_)) return;
  LocateMasterChain();
}

bool TcxDBDataController::IsMasterChainSyncable(TcxDBDataController* m) {
  if (!m->Provider()->IsSyncMode() || !m->HasRecordKeys() || m->Provider()->IsEditing()) return false;
  auto* up = dynamic_cast<TcxDBDataController*>(m->GetMasterDataController());
  if (up != nullptr && dynamic_cast<TcxDBDataRelation*>(m->GetMasterRelation())) return IsMasterChainSyncable(up);
  return true;
}

TcxCustomDataController* TcxDBDataController::LocateMasterChain() {
  auto* r = dynamic_cast<TcxDBDataRelation*>(GetMasterRelation());
  if (GetMasterRelation() == nullptr || DetailKeyFieldNamesInUse().empty()) return this;
  auto* m = dynamic_cast<TcxDBDataController*>(GetMasterDataController());
  if (r == nullptr || m == nullptr || !Provider()->IsSyncMode() || !IsMasterChainSyncable(m)) return nullptr;
  TDataSet* ds = BoundDataSet();
  TDataSet* mds = m->BoundDataSet();
  if (ds == nullptr || mds == nullptr) return nullptr;
  TcxCustomDataController* answer = nullptr;
  m->updateDataSetPosition_ = true;
  Finally reset{[m] { m->updateDataSetPosition_ = false; }};
  Variant detailKey = ds->FieldValues(r->DetailKeyNames());
  Variant masterKey = mds->FieldValues(r->MasterKeyNames());
  bool equal = VariantsCompareEqual(masterKey, detailKey);
  if (!equal) {
    m->Provider()->BeginLocate();
    Finally end{[m] { m->Provider()->EndLocate(); }};
    equal = mds->Locate(r->MasterKeyNames(), detailKey, {});
  }
  if (equal) {
    auto* up = dynamic_cast<TcxDBDataController*>(m);
    TcxCustomDataController* b = up->LocateMasterChain();
    if (b != nullptr) answer = ActivateFocusedDetail(b, r->IndexInList(), masterKey);
    DataLoaded();
  }
  return answer;
}

TcxCustomDataController* TcxDBDataController::ActivateFocusedDetail(TcxCustomDataController* c, int relationIndex,
                                                                    const Variant& key) {
  int row = c->FocusedRowIndex();
  if (row < 0) return nullptr;
  int record = c->RowInfoAt(row).RecordIndex;
  c->ChangeDetailExpanding(record, true);
  if (!c->GetDetailExpanding(record)) return nullptr;
  int active = c->GetDetailActiveRelationIndex(record);
  if (active != relationIndex && active >= 0) {
    if (auto* other = dynamic_cast<TcxDBDataController*>(c->GetDetailDataController(record, active))) {
      auto* otherRelation = dynamic_cast<TcxDBDataRelation*>(other->GetMasterRelation());
      TDataSet* ods = other->BoundDataSet();
      if (otherRelation != nullptr && ods != nullptr &&
          VariantsCompareEqual(ods->FieldValues(otherRelation->DetailKeyNames()), key))
        return other;
    }
  }
  c->ChangeDetailActiveRelationIndex(record, relationIndex);
  return c->GetDetailDataController(record, relationIndex);
}

void TcxDBDataController::NotifyMasterOrChange() {
  TcxCustomDataController::NotifyMasterOrChange();
  UpdateRelationKeyFields();
}

void TcxDBDataController::UpdateRelationKeyFields() {
  if (!HasRelations()) return;
  TcxCustomDataRelationList* list = RelationList();
  for (int i = 0; i < list->RelationCount(); ++i) {
    auto* r = dynamic_cast<TcxDBDataRelation*>(list->Relations(i));
    if (r == nullptr) continue;
    String names = r->MasterKeyNames();
    TcxDBDataField* field = r->masterKeyField_;
    if (names.empty() && field == nullptr) continue;
    if (field != nullptr && field->FieldName() == names) continue;
    SetNamesField(names, field);
    r->masterKeyField_ = field;
  }
}

TcxDBProviderDetailFilterAdapter* TcxDBDataController::GetDetailFilterAdapter() {
  int index = -1;
  TDataSet* ds = BoundDataSet();
  TcxDBAdapterList* l = cxDetailFilterAdapters();
  if (ds == nullptr || !l->FindItem(ds->ClassType(), index)) cxDataControllerError(cxSDataDetailFilterControllerNotFound);
  auto* a = dynamic_cast<TcxDBProviderDetailFilterAdapter*>(l->Items(index));
  if (a == nullptr) cxDataControllerError(cxSDataDetailFilterControllerNotFound);
  return a;
}

int TcxDBDataController::DataSetRecordCount() {
  TDataSet* ds = BoundDataSet();
  return ds != nullptr && ds->Active() ? ds->RecordCount() : 0;
}

int TcxDBDataController::DataSetRecNo() {
  TDataSet* ds = BoundDataSet();
  return ds != nullptr && ds->Active() ? ds->RecNo() : -1;
}

void TcxDBDataController::MoveDataSetToRecNo(int recNo) {
  if (TDataSet* ds = BoundDataSet()) ds->SetRecNo(recNo);
}

bool TcxDBDataController::IsDataSetSequenced() { return BoundDataSet() != nullptr && BoundDataSet()->IsSequenced(); }

// =============================================================================================
// Fields by name

TField* TcxDBDataController::ItemDataSetField(int itemIndex) {
  return static_cast<TcxDBDataField*>(FieldOfItem(itemIndex))->SourceField();
}

String TcxDBDataController::ItemFieldName(int itemIndex) {
  return static_cast<TcxDBDataField*>(FieldOfItem(itemIndex))->FieldName();
}

void TcxDBDataController::ChangeItemFieldName(int itemIndex, const String& name) {
  auto* f = static_cast<TcxDBDataField*>(FieldOfItem(itemIndex));
  if (f->FieldName() != name) SetFieldName(f, name, false);
}

void TcxDBDataController::RenameField(TcxDBDataField* field, const String& name) {
  if (field->fieldName_ == name) return;
  if (!field->fieldName_.empty()) {
    auto it = fieldsByName_.find(UpperCase(field->fieldName_));
    if (it != fieldsByName_.end()) {
      auto& list = it->second;
      list.erase(std::remove(list.begin(), list.end(), field), list.end());
      if (list.empty()) fieldsByName_.erase(it);
    }
  }
  field->fieldName_ = name;
  if (!name.empty()) fieldsByName_[UpperCase(name)].push_back(field);
}

void TcxDBDataController::FieldRemoved(TcxCustomDataField* field) {
  TcxCustomDataController::FieldRemoved(field);
  RenameField(static_cast<TcxDBDataField*>(field), String());
}

void TcxDBDataController::SetFieldName(TcxDBDataField* field, const String& names, bool subFieldMode) {
  field->FreeSubFields();
  if (!subFieldMode && names != field->fieldName_ && Fields()->HasReferences()) {
    // Items that shared this field's storage keep it: the first of them adopts it.
    for (int i = 0; i < Fields()->Count(); ++i) {
      TcxCustomDataField* other = Fields()->Items(i);
      if (other != field && other->ReferenceField() == field) {
        other->AdoptStorage(field);
        for (int j = i + 1; j < Fields()->Count(); ++j)
          if (Fields()->Items(j)->ReferenceField() == field) Fields()->Items(j)->ChangeReferenceField(other);
        break;
      }
    }
  }
  RenameField(field, names);
  if (subFieldMode || HasSeveralFieldNames(names)) {
    // A field of several names binds no data-set field itself; unbound first, so that the
    // rebinding a new sub-field's name starts does not free the sub-fields made so far (a
    // lookup field, in sub-field mode, keeps its field: its caller binds it again).
    if (!subFieldMode) field->SetField(nullptr);
    BeginInfoUpdate();
    Finally end{[this] { EndInfoUpdate(); }};
    std::vector<String> list;
    SplitFieldNames(names, list);
    for (const String& n : list) {
      auto* sub = static_cast<TcxDBDataField*>(CreateInternalField());
      field->AddSubField(sub);
      SetFieldName(sub, n, false);
    }
    LayoutChanged(1);
    return;
  }
  TcxValueTypeClass before = field->ValueTypeClass();
  // The first field of the list that bears the same name (ASCII letters in any case) and
  // holds its own storage.
  TcxCustomDataField* same = nullptr;
  if (!names.empty())
    if (auto it = fieldsByName_.find(UpperCase(names)); it != fieldsByName_.end())
      for (TcxDBDataField* other : it->second) {
        const int at = other->Index();
        if (other != field && at >= 0 && other->ReferenceField() == nullptr && other->parent_ == nullptr &&
            (same == nullptr || at < same->Index()))
          same = other;
      }
  if (same != nullptr) {
    field->ChangeReferenceField(same);
    Change({dccData});
  } else {
    field->ChangeReferenceField(nullptr);
    if (names.empty()) {
      field->SetField(nullptr);
      field->ChangeValueTypeClass(nullptr);
    }
    LayoutChanged(1);
  }
  if (field->ValueTypeClass() != before && !field->IsInternal() && field->Index() < GetItemCount())
    ItemValueTypeClassChanged(field->Index());
}

void TcxDBDataController::SetNamesField(const String& names, TcxDBDataField*& field) {
  if (!names.empty()) {
    if (field == nullptr) field = static_cast<TcxDBDataField*>(CreateInternalField());
    SetFieldName(field, names, false);
  } else if (field != nullptr) {
    delete field;
    field = nullptr;
    Change({dccData});
  }
}

void TcxDBDataController::BindField(TcxDBDataField* field, bool subFieldsOnly) {
  if (field->ReferenceField() != nullptr) return;
  if (subFieldsOnly && !(field->parent_ != nullptr && field->parent_->IsLookup())) return;
  TDataSet* ds = BoundDataSet();
  if (ds == nullptr) {
    // No data set: a field stays bound to none (never to a field of a data set it left).
    field->SetField(nullptr);
    return;
  }
  TField* found = nullptr;
  if (!resetDBFields_ && !field->fieldName_.empty() && !HasSeveralFieldNames(field->fieldName_) &&
      field->subFields_.empty()) {
    found = ds->FindField(field->fieldName_);
    if (found == nullptr && ds->AggFields() != nullptr) found = ds->AggFields()->FindField(field->fieldName_);
  }
  field->SetField(found);
  if (found != nullptr || (field->SourceField() == nullptr && !field->subFields_.empty())) {
    field->UpdateValueType(found);
    if (found != nullptr && found->Lookup() && field->subFields_.empty() && !found->KeyFields().empty()) {
      SetFieldName(field, found->KeyFields(), true);
      field->SetField(found);
      RenameField(field, found->FieldName());
      for (auto* sub : field->subFields_) BindField(sub, false);
    }
  } else if (!resetDBFields_) {
    field->NotifyTypeChanged();
  }
}

void TcxDBDataController::UpdateField(TcxCustomDataField* field) {
  if (auto* f = dynamic_cast<TcxDBDataField*>(field)) BindField(f, false);
}

void TcxDBDataController::UpdateFields() {
  TcxCustomDataController::UpdateFields();
  for (int i = 0; i < Fields()->Count(); ++i)
    if (auto* f = dynamic_cast<TcxDBDataField*>(Fields()->Items(i))) BindField(f, true);
}

void TcxDBDataController::ResetDBFields() {
  resetDBFields_ = true;
  Finally reset{[this] { resetDBFields_ = false; }};
  for (int i = 0; i < Fields()->Count(); ++i)
    if (auto* f = dynamic_cast<TcxDBDataField*>(Fields()->Items(i))) {
      if (f->ReferenceField() == nullptr) f->field_ = nullptr;
    }
}

void TcxDBDataController::ComponentRemoved(TComponent* component) { TcxCustomDataController::ComponentRemoved(component); }

void TcxDBDataController::ChangeValueTypeClass(int itemIndex, TcxValueTypeClass value) {
  if (ItemDataSetField(itemIndex) != nullptr) return;
  TcxCustomDataController::ChangeValueTypeClass(itemIndex, value);
}

bool TcxDBDataController::IsProviderField(TcxCustomDataField* field) {
  auto* f = dynamic_cast<TcxDBDataField*>(field);
  return TcxCustomDataController::IsProviderField(field) || (f != nullptr && f->SourceField() != nullptr);
}

bool TcxDBDataController::IsItemTextStored(int itemIndex, bool editing) {
  bool stored = TcxCustomDataController::IsItemTextStored(itemIndex, editing);
  if (editing && IsCurrencyField(ItemDataSetField(itemIndex))) return false;
  return stored;
}

namespace {
Variant SubFieldValues(TcxCustomDataController* c, TcxDBDataField* f, int recordIndex,
                       Variant (TcxCustomDataController::*base)(int, TcxCustomDataField*)) {
  int n = f->SubFieldCount();
  if (n == 0) return Null();
  if (n == 1) return (c->*base)(recordIndex, f->SubField(0));
  std::vector<Variant> values;
  for (int i = 0; i < n; ++i) values.push_back((c->*base)(recordIndex, f->SubField(i)));
  return VarArrayOf(values);
}
}  // namespace

Variant TcxDBDataController::GetValueForGrouping(int recordIndex, TcxCustomDataField* field) {
  auto* f = dynamic_cast<TcxDBDataField*>(field);
  if (f != nullptr && f->SubFieldCount() > 0)
    return SubFieldValues(this, f, recordIndex, &TcxCustomDataController::GetValueByField);
  return TcxCustomDataController::GetValueForGrouping(recordIndex, field);
}

Variant TcxDBDataController::GetFilterDataValue(int recordIndex, TcxCustomDataField* field) {
  auto* f = dynamic_cast<TcxDBDataField*>(field);
  if (f != nullptr && (f->IsLookup() || f->SubFieldCount() > 0))
    return SubFieldValues(this, f, recordIndex, &TcxCustomDataController::GetValueByField);
  return TcxCustomDataController::GetFilterDataValue(recordIndex, field);
}

TcxValueDef* TcxDBDataController::InPlaceValueDef(TcxCustomDataField* field) {
  auto* f = dynamic_cast<TcxDBDataField*>(field);
  if (f != nullptr && (f->IsLookup() || f->SubFieldCount() > 0)) return nullptr;
  return TcxCustomDataController::InPlaceValueDef(field);
}

String TcxDBDataController::GetFilterItemFieldName(TObject* item) {
  TcxCustomDataField* base = Fields()->FieldByItem(item);
  auto* f = dynamic_cast<TcxDBDataField*>(base);
  if (f == nullptr) return String();
  bool ignore = DBFilter()->IgnoreOrigin();
  if (f->SubFieldCount() > 0) {
    String s;
    for (int i = 0; i < f->SubFieldCount(); ++i) {
      if (i > 0) s += ";";
      s += GetFilterFieldName(f->SubField(i)->SourceField(), ignore);
    }
    return s;
  }
  return GetFilterFieldName(f->SourceField(), ignore);
}

// =============================================================================================
// Loading

void TcxDBDataController::LoadFromDataSet() {
  TcxDBDataProvider* p = DBProvider();
  ++loadCount_;
  if (p->IsGridMode()) {
    Storage()->StartLoad();
    Finally f{[this] { Storage()->FinishLoad(); }};
    p->LoadGridModeBuffer();
    return;
  }
  p->LockNotification();
  Finally unlock{[p] { p->UnlockNotification(); }};
  p->BeginLoad();
  p->First();
  if (p->RecreatedFields()) UpdateFields();
  TcxValueDefDBReader reader;
  TcxDataStorage* s = Storage();
  while (!p->IsEOF()) {
    int r = s->AddRecord();
    reader.LoadRecord(s, r);
    RecordAppended(r);
    p->Next();
  }
  StorageLoadedFlag() = p->IsActivating();
  p->EndLoad();
}

void TcxDBDataController::ClearData() {
  BeginKeepState();
  {
    Finally end{[this] { EndKeepState(); }};
    Storage()->ClearAll(Provider()->DataChangedLocked());
    if (Provider()->IsDataAvailable()) {
      if (!IsPattern()) LoadFromDataSet();
      CheckSelectionAndBookmark(-1);
      CheckFocusing();
    }
    Change({dccData});
    DataLoaded();
  }
  DBProvider()->ClearPostLocate();
}

void TcxDBDataController::UpdateStructure() {
  if (!IsGridMode()) DBProvider()->DataLink()->SetBufferCount(1);
  TcxCustomDataController::UpdateStructure();
}

bool TcxDBDataController::IsSummaryLocked() {
  if (TcxCustomDataController::IsSummaryLocked() || inUpdateGridModeBufferCount_) return true;
  TDataSet* ds = BoundDataSet();
  return ds != nullptr && !ds->Active() && ds->DefaultFields() &&
         ((DBProvider()->IsActivating() && resetDBFields_) || ds->ControlsDisabled());
}

void TcxDBDataController::DoDataLoaded() {
  TcxDBDataProvider* p = DBProvider();
  if (p->inNotify_) return;
  p->inNotify_ = true;
  Finally reset{[p] { p->inNotify_ = false; }};
  while (!p->listeners_.empty()) {
    TcxDBDataProvider* l = p->listeners_.back();
    p->listeners_.pop_back();
    l->DataLink()->DataSetChanged();
  }
}

void TcxDBDataController::DoPendingNotifications() {
  if (!loaded_ && Provider()->IsStructureAvailable()) LayoutChanged(1);
  TcxCustomDataController::DoPendingNotifications();
  loaded_ = true;
}

bool TcxDBDataController::IsDataChangeLocked() const {
  auto* self = const_cast<TcxDBDataController*>(this);
  TDataSet* ds = self->BoundDataSet();
  return TcxCustomDataController::IsDataChangeLocked() ||
         (self->IsGridMode() && ds != nullptr && ds->State() == dsInsert);
}

void TcxDBDataController::RefreshExternalData() {
  if (TDataSet* ds = BoundDataSet()) ds->Refresh();
}

// =============================================================================================
// Key fields

bool TcxDBDataController::HasRecordKeys() { return keyField_ != nullptr && !IsGridMode(); }

void TcxDBDataController::GetKeyFields(std::vector<TcxCustomDataField*>& list) {
  list.clear();
  if (keyField_ == nullptr) return;
  if (keyField_->SubFieldCount() > 0)
    for (int i = 0; i < keyField_->SubFieldCount(); ++i) list.push_back(keyField_->SubField(i));
  else
    list.push_back(keyField_);
}

void TcxDBDataController::GetKeyDataSetFields(std::vector<TField*>& list) {
  std::vector<TcxCustomDataField*> keys;
  GetKeyFields(keys);
  list.clear();
  for (TcxCustomDataField* k : keys) {
    TField* f = static_cast<TcxDBDataField*>(k)->SourceField();
    if (f == nullptr) cxDataControllerError(cxSDataKeyFieldNotFound);
    list.push_back(f);
  }
}

Variant TcxDBDataController::DataSetKeyValues() {
  std::vector<TField*> list;
  GetKeyDataSetFields(list);
  return GetFieldValues(list);
}

Variant TcxDBDataController::GetRecordId(int recordIndex) {
  if (recordIndex < 0 || recordIndex >= GetRecordCount()) cxDataControllerError(cxSDataRecordIndexError);
  std::vector<TcxCustomDataField*> keys;
  GetKeyFields(keys);
  return GetKeyValues(recordIndex, keys);
}

int TcxDBDataController::FindRecordIndexByKey() {
  std::vector<TField*> check;
  GetKeyDataSetFields(check);
  TcxDataControllerKeyLocateObject locate(this);
  GetKeyFields(locate.KeyFields);
  TcxValueDefDBReader reader;
  locate.ReadData(&reader);
  return locate.FindRecordIndex();
}

int TcxDBDataController::LocateByKey(const Variant& key) {
  std::vector<TcxCustomDataField*> keys;
  GetKeyFields(keys);
  if (keys.empty()) return -1;
  if (IsGridMode()) {
    for (int r = 0; r < GetRecordCount(); ++r)
      if (VariantsCompareEqual(GetKeyValues(r, keys), key)) return r;
    return -1;
  }
  if (keys.size() > 1 && (!key.IsArray() || VarArrayHighBound(key, 1) + 1 != Integer(keys.size()))) return -1;
  TcxDataControllerKeyLocateObject locate(this);
  locate.KeyFields = keys;
  TcxValueDefUnboundReader reader;
  for (std::size_t i = 0; i < keys.size(); ++i)
    reader.SetValue(keys[i]->ValueDef(), keys.size() == 1 ? key : VarArrayGet(key, {Integer(i)}));
  locate.ReadData(&reader);
  return locate.FindRecordIndex();
}

bool TcxDBDataController::LocateByKeyValue(const Variant& key) {
  int r = LocateByKey(key);
  if (r == -1 && IsGridMode()) {
    TDataSet* ds = BoundDataSet();
    if (ds == nullptr) return false;
    Provider()->BeginLocate();
    bool found;
    {
      Finally end{[this] { Provider()->EndLocate(); }};
      found = ds->Locate(keyFieldNames_, key, {});
    }
    if (found) ChangeFocusedRowSelected(true);
    return found;
  }
  int row = r == -1 ? -1 : RowIndexOfRecord(r, true);
  ChangeFocusedRowIndex(row);
  return row != -1;
}

// =============================================================================================
// Focus and cursor

bool TcxDBDataController::CanFocusRecord(int recordIndex) {
  TcxDBDataProvider* p = DBProvider();
  if ((p->IsInserting() && recordIndex == p->EditingRecordIndex()) ||
      (IsNewItemRowEditing() && recordIndex < 0)) {
    if (!p->IsInserting() && recordIndex < 0) Post();
    return true;
  }
  bool result;
  {
    BeginLocate();
    Finally end{[this] { EndLocate(); }};
    if (IsDetailMode() && dataModeController_->DetailSyncMode && !inResetDataSetCurrent_) CheckCurrentQuery();
    if (inResetDataSetCurrent_)
      result = TcxCustomDataController::CanFocusRecord(recordIndex);
    else if (p->IsSyncMode())
      result = SyncDataSetToRecord(recordIndex);
    else
      result = TcxCustomDataController::CanFocusRecord(recordIndex);
  }
  DataLoaded();
  return result;
}

bool TcxDBDataController::SyncDataSetToRecord(int recordIndex) {
  if (recordIndex < 0) return false;
  TcxDBDataProvider* p = DBProvider();
  if (p->IsKeyNavigation()) {
    Variant key = GetRecordId(recordIndex);
    if (VariantsCompareEqual(key, DataSetKeyValues()) && recordIndex == p->DataSetRecordIndex()) {
      EnsureBrowseMode();
      return true;
    }
    EnsureBrowseMode();
    return BoundDataSet()->Locate(keyFieldNames_, key, {});
  }
  EnsureBrowseMode();
  p->MoveBy(recordIndex - p->DataSetRecordIndex());
  return true;
}

void TcxDBDataController::CheckFocusing() {
  {
    BeginInfoUpdate();
    Finally end{[this] { EndInfoUpdate(); }};
    TcxCustomDataController::CheckFocusing();
  }
  TcxDBDataProvider* p = DBProvider();
  if (!p->IsSyncMode()) return;
  if (IsPattern()) {
    if (!IsLoading() && !p->IsActivating() && !p->IsNotificationDeferred()) SyncMastersFromDataSet();
    return;
  }
  if (!p->IsKeyNavigation()) return;
  int r = FindRecordIndexByKey();
  if (r != p->dataSetRecordIndex_) {
    p->dataSetRecordIndex_ = r;
    CheckFocusing();
  }
}

void TcxDBDataController::ResetDataSetCurrent() {
  // A clone whose mark a sibling is taking away does not take it back by losing its focus.
  if (!IsDetailMode() || FocusedRecordIndex() == -1 || inResetDataSetCurrent_) return;
  inResetDataSetCurrent_ = true;
  Finally reset{[this] { inResetDataSetCurrent_ = false; }};
  DBProvider()->SetDataSetCurrent(true);
}

int TcxDBDataController::GetFocusedRecordIndex() {
  if (IsGridMode()) return DBProvider()->DataLink()->ActiveRecord();
  return TcxCustomDataController::GetFocusedRecordIndex();
}

bool TcxDBDataController::NeedsFocusReset() { return DBProvider()->IsSmartRefresh(); }

// =============================================================================================
// Editing

void TcxDBDataController::EnsureBrowseMode() {
  inCheckBrowseMode_ = true;
  Finally reset{[this] { inCheckBrowseMode_ = false; }};
  TDataSet* ds = BoundDataSet();
  if (ds == nullptr || (ds->State() != dsEdit && ds->State() != dsInsert)) return;
  ds->UpdateRecord();
  if (DBProvider()->IsDataSetModified()) {
    bool bracket = !DBProvider()->IsSmartRefresh() && !IsGridMode();
    if (bracket) ds->DisableControls();
    Finally enable{[ds, bracket] {
      if (bracket) ds->EnableControls();
    }};
    ds->Post();
  } else {
    Cancel();
  }
}

void TcxDBDataController::ReadEditingRecord() {
  TcxDBDataProvider* p = DBProvider();
  int e = p->EditingRecordIndex();
  // A reload may have emptied the storage under the edited record.
  if (e == cxNullEditingRecordIndex || e >= GetRecordCount()) return;
  p->updatingRecordIndex_ = e;
  p->updatingRecordIsInserting_ = p->IsInserting();
  ReadRecordFromDataSet(e);
}

void TcxDBDataController::ReadRecordFromDataSet(int recordIndex) {
  TcxValueDefDBReader reader;
  Storage()->LoadRecordFromReader(recordIndex, &reader);
  RecordAppended(recordIndex);
  if (!DBProvider()->InCanInitEditing()) Change({dccUpdateRecord});
}

// =============================================================================================
// Grid mode

void TcxDBDataController::UpdateGridModeBufferCount() {
  if (!IsGridMode()) return;
  inUpdateGridModeBufferCount_ = true;
  Finally reset{[this] { inUpdateGridModeBufferCount_ = false; }};
  DBProvider()->UpdateGridMode();
}

void TcxDBDataController::ScrollInGridMode(int distance) { DBProvider()->Scroll(distance); }

bool TcxDBDataController::LocateInGridMode(const String& text, bool forward, bool next) {
  Search()->Lock();
  Finally unlock{[this] { Search()->Unlock(); }};
  return DBProvider()->IncrementalSearchInGridMode(text, forward, next);
}

bool TcxDBDataController::IsBookmarkAvailable() const {
  auto* self = const_cast<TcxDBDataController*>(this);
  if (!self->IsGridMode()) return TcxCustomDataController::IsBookmarkAvailable();
  return !bookmark_.empty();
}

bool TcxDBDataController::SaveBookmark() {
  if (!IsGridMode()) return TcxCustomDataController::SaveBookmark();
  TDataSet* ds = BoundDataSet();
  if (ds == nullptr) return false;
  String current = ds->Bookmark();
  if (!bookmark_.empty() && DBProvider()->CompareBookmarks(bookmark_, current) == 0) return false;
  bookmark_ = current;
  return true;
}

bool TcxDBDataController::GotoBookmark() {
  if (!IsGridMode()) return TcxCustomDataController::GotoBookmark();
  TDataSet* ds = BoundDataSet();
  if (ds == nullptr) return false;
  ds->SetBookmark(bookmark_);
  UpdatePrevSelectionInfo();
  return true;
}

void TcxDBDataController::ClearBookmark() {
  bookmark_.clear();
  TcxCustomDataController::ClearBookmark();
}

bool TcxDBDataController::IsBookmarkAffected(int recordIndex) {
  if (!IsGridMode()) return TcxCustomDataController::IsBookmarkAffected(recordIndex);
  return BoundDataSet() == nullptr || !DBProvider()->BookmarkValid(bookmark_);
}

bool TcxDBDataController::IsBookmarkRow(int rowIndex) {
  if (!IsGridMode()) return TcxCustomDataController::IsBookmarkRow(rowIndex);
  if (bookmark_.empty() || BoundDataSet() == nullptr) return false;
  return DBProvider()->CompareBookmarks(DBSelection()->BookmarkOfRow(rowIndex), bookmark_) == 0;
}

// =============================================================================================
// Selection in grid mode

void TcxDBDataController::GetSelectedBookmark(int index, String& bookmark) {
  if (!IsGridMode()) cxDataControllerError(cxSDataNotInGridMode);
  if (IsSingleSelection())
    bookmark = DBSelection()->BookmarkOfRow(FocusedRowIndex());
  else
    bookmark = DBSelection()->Bookmark(index);
}

void TcxDBDataController::GetAnchorBookmark(String& bookmark) {
  if (!IsGridMode()) cxDataControllerError(cxSDataNotInGridMode);
  bookmark = DBSelection()->AnchorBookmark();
}

bool TcxDBDataController::FocusSelectedRow(int index) {
  // Outside grid mode rows have no bookmarks: the base focuses the row itself.
  if (!IsGridMode()) return TcxCustomDataController::FocusSelectedRow(index);
  TDataSet* ds = BoundDataSet();
  if (ds == nullptr) return false;
  String bookmark;
  GetSelectedBookmark(index, bookmark);
  ds->SetBookmark(bookmark);
  return true;
}

void TcxDBDataController::ForEachRow(bool selectedOnly,
                                     const std::function<void(int rowIndex, const TcxRowInfo& info)>& proc) {
  if (!IsGridMode()) {
    TcxCustomDataController::ForEachRow(selectedOnly, proc);
    return;
  }
  TDataSet* ds = BoundDataSet();
  if (ds == nullptr) return;
  // In grid mode the window holds only some records: the data set's cursor visits each row,
  // which then is the focused row.
  auto visitFocused = [&] {
    int row = FocusedRowIndex();
    if (row >= 0) proc(row, RowInfoAt(row));
  };
  if (!selectedOnly) {
    ds->First();
    while (!ds->Eof()) {
      visitFocused();
      ds->Next();
    }
  } else if (IsSingleSelection()) {
    visitFocused();
  } else {
    // The bookmarks first: moving the cursor must not change the list being walked.
    std::vector<String> bookmarks;
    for (int i = 0; i < CountSelectedRows(); ++i) {
      bookmarks.emplace_back();
      GetSelectedBookmark(i, bookmarks.back());
    }
    for (const String& bookmark : bookmarks) {
      ds->SetBookmark(bookmark);
      visitFocused();
    }
  }
}

bool TcxDBDataController::ExecuteAction(TObject* action) {
  return TcxCustomDataController::ExecuteAction(action) || DBProvider()->DataLink()->ExecuteAction(action);
}

bool TcxDBDataController::UpdateAction(TObject* action) {
  return TcxCustomDataController::UpdateAction(action) || DBProvider()->DataLink()->UpdateAction(action);
}

Variant TcxDBDataController::GetSelectionRecordKey(int recordIndex) {
  if (IsGridMode() && recordIndex >= 0) return Variant(DBSelection()->BookmarkOfRow(recordIndex));
  return TcxCustomDataController::GetSelectionRecordKey(recordIndex);
}

int TcxDBDataController::GetSelectedRowIndex(int index) {
  if (!IsGridMode() || IsSingleSelection()) return TcxCustomDataController::GetSelectedRowIndex(index);
  TcxDBDataSelection* s = DBSelection();
  const String& b = s->Bookmark(index);
  int rows = Info()->RowCount();
  if (rows == 0) return -1;
  if (s->CompareBookmarks(b, s->BookmarkOfRow(0)) < 0 || s->CompareBookmarks(b, s->BookmarkOfRow(rows - 1)) > 0)
    return -1;
  for (int r = 0; r < rows; ++r)
    if (s->CompareBookmarks(s->BookmarkOfRow(r), b) == 0) return r;
  return -1;
}

int TcxDBDataController::CountSelectedRows() {
  if (!IsGridMode()) return TcxCustomDataController::CountSelectedRows();
  return IsSingleSelection() ? TcxCustomDataController::CountSelectedRows() : DBSelection()->BookmarkCount();
}

int TcxDBDataController::GetSelectionAnchorRowIndex() {
  if (!IsGridMode()) return TcxCustomDataController::GetSelectionAnchorRowIndex();
  return -1;
}

bool TcxDBDataController::IsSelectionAnchorAssigned() {
  if (!IsGridMode()) return TcxCustomDataController::IsSelectionAnchorAssigned();
  return !DBSelection()->AnchorBookmark().empty();
}

void TcxDBDataController::SelectAll() {
  if (!IsGridMode()) {
    TcxCustomDataController::SelectAll();
    return;
  }
  DBSelection()->SelectAll();
}

void TcxDBDataController::SelectFromAnchor(int rowIndex, bool keepSelection) {
  if (!IsGridMode()) {
    TcxCustomDataController::SelectFromAnchor(rowIndex, keepSelection);
    return;
  }
  Info()->CheckRowIndex(rowIndex);
  if (!DBSelection()->AnchorBookmark().empty())
    DBSelection()->SelectRange(DBSelection()->BookmarkOfRow(rowIndex), keepSelection);
}

void TcxDBDataController::SetSelectionAnchor(int rowIndex) {
  if (!IsGridMode()) {
    TcxCustomDataController::SetSelectionAnchor(rowIndex);
    return;
  }
  Info()->CheckRowIndex(rowIndex);
  DBSelection()->SetAnchorBookmark(DBSelection()->BookmarkOfRow(rowIndex));
}

TcxDBDataSelection::TcxDBDataSelection(TcxCustomDataController* controller) : TcxDataSelection(controller) {}

TcxDBDataController* TcxDBDataSelection::DBController() const {
  return static_cast<TcxDBDataController*>(DataController());
}

bool TcxDBDataSelection::GridMode() { return DBController()->IsGridMode(); }

bool TcxDBDataSelection::CanSelect() { return DBController()->CanSelectRow(-1); }

void TcxDBDataSelection::ClearAnchor() {
  TcxDataSelection::ClearAnchor();
  anchorBookmark_.clear();
}

void TcxDBDataSelection::InsertEntry(int position, int row, int level, int record) {
  TcxDataSelection::InsertEntry(position, row, level, record);
  if (GridMode() && !inSelectAll_) {
    position = std::clamp(position, 0, int(bookmarks_.size()));
    bookmarks_.insert(bookmarks_.begin() + position, BookmarkOfRow(row));
  }
}

void TcxDBDataSelection::ClearEntries() {
  TcxDataSelection::ClearEntries();
  bookmarks_.clear();
}

void TcxDBDataSelection::DeleteEntry(int position) {
  TcxDataSelection::DeleteEntry(position);
  if (!GridMode() || inSelectAll_ || position < 0 || position >= int(bookmarks_.size())) return;
  if (!anchorBookmark_.empty() && CompareBookmarks(bookmarks_[std::size_t(position)], anchorBookmark_) == 0)
    ClearAnchor();
  bookmarks_.erase(bookmarks_.begin() + position);
}

int TcxDBDataSelection::CompareBookmarks(const String& a, const String& b) {
  return DBController()->DBProvider()->CompareBookmarks(a, b);
}

bool TcxDBDataSelection::FindBookmark(const String& bookmark, int& position) {
  position = 0;
  int lo = 0, hi = int(bookmarks_.size()) - 1;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int c = CompareBookmarks(bookmarks_[std::size_t(mid)], bookmark);
    if (c == 0) {
      position = mid;
      return true;
    }
    if (c < 0)
      lo = mid + 1;
    else
      hi = mid - 1;
  }
  position = lo;
  return false;
}

String TcxDBDataSelection::BookmarkOfRow(int row) {
  if (!GridMode()) return String();
  TcxDBDataLink* link = DBController()->DBProvider()->DataLink();
  TDataSet* ds = link->DataSet();
  if (ds == nullptr) return String();
  int saved = link->ActiveRecord();
  link->SetActiveRecord(row);
  Finally back{[link, saved] { link->SetActiveRecord(saved); }};
  return ds->Bookmark();
}

void TcxDBDataSelection::SyncCount() {
  inSelectAll_ = true;
  Finally reset{[this] { inSelectAll_ = false; }};
  ResizeTo(int(bookmarks_.size()));
}

void TcxDBDataSelection::SelectAll() {
  TcxDBDataController* c = DBController();
  TcxDBDataProvider* p = c->DBProvider();
  TDataSet* ds = p->DataSet();
  if (!GridMode() || ds == nullptr) return;
  p->LockNotification();
  Finally after{[this, c, p] {
    p->UnlockNotification();
    Changed();
    c->Info()->CheckChanges();
    c->DataLoaded();
  }};
  p->BeginLoad();
  p->First();
  TcxDataSelection::ClearEntries();
  bookmarks_.clear();
  try {
    while (!p->IsEOF()) {
      if (CanSelect()) bookmarks_.push_back(ds->Bookmark());
      p->Next();
    }
    SyncCount();
  } catch (...) {
    bookmarks_.clear();
    SyncCount();
    throw;
  }
  p->EndLoad();
}

bool TcxDBDataSelection::QuickAdjust(bool forward, const String& lower, const String& upper) {
  TDataSet* ds = DBController()->BoundDataSet();
  int n = int(bookmarks_.size());
  auto eq = [this](const String& a, const String& b) { return CompareBookmarks(a, b) == 0; };
  if (eq(lower, upper)) {
    bookmarks_.clear();
    if (CanSelect()) bookmarks_.push_back(lower);
    return true;
  }
  if (forward) {
    if (n > 1 && eq(bookmarks_[std::size_t(n - 2)], upper)) {
      if (!eq(bookmarks_[0], lower)) return false;
      bookmarks_.pop_back();
      return true;
    }
    ds->SetBookmark(upper);
    ds->Prior();
    if (eq(bookmarks_[std::size_t(n - 1)], ds->Bookmark()) && eq(bookmarks_[0], lower)) {
      ds->SetBookmark(upper);
      if (CanSelect()) bookmarks_.push_back(upper);
      return true;
    }
    return false;
  }
  if (n > 1 && eq(bookmarks_[1], lower)) {
    if (!eq(bookmarks_[std::size_t(n - 1)], upper)) return false;
    bookmarks_.erase(bookmarks_.begin());
    return true;
  }
  ds->SetBookmark(lower);
  ds->Next();
  if (eq(bookmarks_[0], ds->Bookmark()) && eq(bookmarks_[std::size_t(n - 1)], upper)) {
    ds->SetBookmark(lower);
    if (CanSelect()) bookmarks_.insert(bookmarks_.begin(), lower);
    return true;
  }
  return false;
}

void TcxDBDataSelection::Walk(const String& lower, const String& upper, bool keepSelection) {
  TcxDBDataProvider* p = DBController()->DBProvider();
  TDataSet* ds = p->DataSet();
  if (!keepSelection) bookmarks_.clear();
  bool merging = !bookmarks_.empty();
  int i = 0, j = 0;
  if (merging) {
    FindBookmark(lower, i);
    FindBookmark(upper, j);
    if (i == int(bookmarks_.size())) merging = false;
  }
  ds->SetBookmark(lower);
  while (!p->IsEOF()) {
    String cur = ds->Bookmark();
    bool placed = false;
    if (merging) {
      for (int k = i; k <= j && k < int(bookmarks_.size()); ++k) {
        int c = CompareBookmarks(cur, bookmarks_[std::size_t(k)]);
        if (c < 0) {
          if (CanSelect()) bookmarks_.insert(bookmarks_.begin() + k, cur);
          ++i;
          ++j;
          placed = true;
          break;
        }
        if (c == 0) {
          ++i;
          placed = true;
          break;
        }
      }
    }
    if (!placed && CanSelect()) bookmarks_.push_back(cur);
    if (CompareBookmarks(cur, upper) == 0) break;
    p->Next();
  }
}

void TcxDBDataSelection::SelectRange(const String& bookmark, bool keepSelection) {
  TcxDBDataController* c = DBController();
  TcxDBDataProvider* p = c->DBProvider();
  TDataSet* ds = p->DataSet();
  if (!GridMode() || ds == nullptr) return;
  if (ds->State() == dsInsert && ds->Eof()) return;
  p->LockNotification();
  Finally after{[this, c, p] {
    p->UnlockNotification();
    Changed();
    c->Info()->CheckChanges();
    c->DataLoaded();
  }};
  p->BeginLoad();
  bool forward = CompareBookmarks(anchorBookmark_, bookmark) < 0;
  String lower = forward ? anchorBookmark_ : bookmark, upper = forward ? bookmark : anchorBookmark_;
  try {
    if (keepSelection || bookmarks_.empty() || !QuickAdjust(forward, lower, upper)) Walk(lower, upper, keepSelection);
  } catch (...) {
    bookmarks_.clear();
    SyncCount();
    throw;
  }
  SyncCount();
  p->EndLoad();
}

bool TcxDBDataSelection::DropInvalidBookmarks() {
  TcxDBDataProvider* p = DBController()->DBProvider();
  bool removed = false;
  for (int i = int(bookmarks_.size()) - 1; i >= 0; --i) {
    const String& b = bookmarks_[std::size_t(i)];
    if (b.empty() || !p->BookmarkValid(b)) {
      Delete(i);
      removed = true;
    }
  }
  return removed;
}

// =============================================================================================
// Summary items

TClass TcxDBDataController::GetSummaryItemClass() const { return TcxDBDataSummaryItem::StaticClass(); }

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxDBDataSummaryItem) {
  p.Str("FieldName", &TcxDBDataSummaryItem::FieldName, &TcxDBDataSummaryItem::SetFieldName);
}

TcxDBDataSummaryItem::~TcxDBDataSummaryItem() {
  delete dataField_;
  dataField_ = nullptr;
}

TcxDBDataController* TcxDBDataSummaryItem::Controller() const {
  return dynamic_cast<TcxDBDataController*>(Summary()->DataController());
}

void TcxDBDataSummaryItem::SetFieldName(const String& value) {
  if (value == fieldName_) return;
  fieldName_ = value;
  if (TcxDBDataController* c = Controller()) {
    c->SetNamesField(value, dataField_);
    Summary()->Changed(false);
  }
}

TcxCustomDataField* TcxDBDataSummaryItem::DataField() const {
  return dataField_ != nullptr ? dataField_ : TcxDataSummaryItem::DataField();
}

bool TcxDBDataSummaryItem::IsCurrencyValueType(TVarType t) const {
  auto* f = dynamic_cast<TcxDBDataField*>(DataField());
  if (f != nullptr && f->IsCurrency()) return true;
  return TcxDataSummaryItem::IsCurrencyValueType(t);
}

void TcxDBDataSummaryItem::AssignFrom(TcxDataSummaryItem* source) {
  if (auto* s = dynamic_cast<TcxDBDataSummaryItem*>(source)) SetFieldName(s->FieldName());
}
