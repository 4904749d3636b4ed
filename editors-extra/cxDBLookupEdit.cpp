#include "editors-extra/cxDBLookupEdit.h"

#include "data/cxCustomDataInternal.h"
#include "data/cxDBData.h"
#include "editors-extra/cxDBEdit.h"
#include "rtl/SysUtils.h"
#include "rtl/Variants.h"

namespace {
// The null key of several key fields: an array (low bound 0) of that many Nulls.
Variant NullKeyArray(Integer count) {
  Variant key = VarArrayCreate({0, count - 1}, varVariant);
  for (Integer i = 0; i < count; ++i) VarArrayPut(key, Null(), {i});
  return key;
}
}  // namespace

KORVAN_IMPLEMENT_CLASS(TcxCustomDBLookupEditProperties)
KORVAN_IMPLEMENT_CLASS(TcxCustomDBLookupEditLookupData)
KORVAN_IMPLEMENT_CLASS(TcxCustomDBLookupEdit)

namespace {
const TcxResourceStringRec cxSEditLookupDefinedByField{"cxSEditLookupDefinedByField",
                                                       "指定したプロパティは Lookup フィールドで指定済みです"};
const TcxResourceStringRec cxSEditCircularDataLink{"cxSEditCircularDataLink", "データ間の循環参照は許されません"};
}  // namespace

String LookupDefinedByFieldMessage() { return LoadReplaceableResString(cxSEditLookupDefinedByField); }
String CircularDataLinkMessage() { return LoadReplaceableResString(cxSEditCircularDataLink); }

// ---- properties -----------------------------------------------------------------------------

TcxCustomDBLookupEditProperties::TcxCustomDBLookupEditProperties(TPersistent* owner)
    : TcxCustomLookupEditProperties(owner) {}

TcxCustomDBLookupEditProperties::~TcxCustomDBLookupEditProperties() {
  lookupField_ = nullptr;
  internalSource_.reset();
}

void TcxCustomDBLookupEditProperties::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TcxCustomDBLookupEditProperties*>(source);
  if (!src) {
    TcxCustomLookupEditProperties::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    TcxCustomLookupEditProperties::Assign(source);
    caseSensitiveSearch_ = src->caseSensitiveSearch_;
    if (!IsDefinedByLookup()) SetKeyFieldNames(src->KeyFieldNames());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TClass TcxCustomDBLookupEditProperties::GetContainerClass() { return TcxCustomDBLookupEdit::StaticClass(); }
TClass TcxCustomDBLookupEditProperties::GetLookupDataClass() { return TcxCustomDBLookupEditLookupData::StaticClass(); }

String TcxCustomDBLookupEditProperties::KeyFieldNames() {
  TcxDBDataController* dc = GetListDBDataController();
  return dc ? dc->KeyFieldNames() : String();
}

void TcxCustomDBLookupEditProperties::CheckNotDefinedByLookup() {
  if (lookupField_ && !syncing_) DatabaseError(LookupDefinedByFieldMessage());
}

void TcxCustomDBLookupEditProperties::SetKeyFieldNames(const String& v) {
  CheckNotDefinedByLookup();
  if (TcxDBDataController* dc = GetListDBDataController()) dc->SetKeyFieldNames(v);
}

void TcxCustomDBLookupEditProperties::SetListIndex(Integer index) {
  CheckNotDefinedByLookup();
  TcxCustomLookupEditProperties::SetListIndex(index);
}

TField* TcxCustomDBLookupEditProperties::BoundField() {
  auto* provider = dynamic_cast<TcxCustomDBEditDefaultValuesProvider*>(DefaultValuesProvider());
  TField* f = provider ? provider->Field() : nullptr;
  return f && !f->ComponentState().Contains(csDestroying) ? f : nullptr;
}

TField* TcxCustomDBLookupEditProperties::ListField() {
  const Integer index = GetEffectiveListIndex();
  return index == -1 ? nullptr : GetListColumnField(index);
}

void TcxCustomDBLookupEditProperties::SetGridMode(bool v) {
  if (v == GridMode()) return;
  textCache_.reset(v ? new TcxLookupList : nullptr);
  if (TcxDBDataController* dc = GetListDBDataController()) dc->DataModeController()->SetGridMode(v);
  NotifyPropertiesChanged();
}

void TcxCustomDBLookupEditProperties::BeginListUpdate() {
  TcxCustomLookupEditProperties::BeginListUpdate();
  TcxDBDataController* dc = GetListDBDataController();
  if (GridMode() && dc) {
    dc->BeginLocate();
    ++locateCount_;
  }
}

void TcxCustomDBLookupEditProperties::EndListUpdate() {
  TcxDBDataController* dc = GetListDBDataController();
  if (locateCount_ > 0 && dc) {
    --locateCount_;
    dc->EndLocate();
  }
  TcxCustomLookupEditProperties::EndListUpdate();
}

bool TcxCustomDBLookupEditProperties::IsIncrementalFilteringActive() {
  return !GridMode() && TcxCustomLookupEditProperties::IsIncrementalFilteringActive();
}

int TcxCustomDBLookupEditProperties::FindRecordByText(int itemIndex, const String& text, bool partial) {
  if (!GridMode()) return TcxCustomLookupEditProperties::FindRecordByText(itemIndex, text, partial);
  TcxDBDataController* dc = GetListDBDataController();
  TDataSet* ds = dc ? dc->BoundDataSet() : nullptr;
  if (!ds || !ds->Active() || itemIndex == -1) return -1;
  TLocateOptions options;
  if (partial) options.Include(loPartialKey);
  if (!caseSensitiveSearch_) options.Include(loCaseInsensitive);
  int record = -1;
  BeginListUpdate();
  try {
    if (ds->Locate(dc->ItemFieldName(itemIndex), Variant(text), options)) record = dc->FocusedRecordIndex();
  } catch (const EVariantError&) {
  } catch (const EDatabaseError&) {
  } catch (...) {
    EndListUpdate();
    throw;
  }
  EndListUpdate();
  return record;
}

void TcxCustomDBLookupEditProperties::NotifyPropertiesChanged() {
  if (textCache_) textCache_->RemoveAll();
  if (!changing_) {
    changing_ = true;
    try {
      SyncWithLookupField();
      SyncListResultColumn();
    } catch (...) {
      changing_ = false;
      throw;
    }
    changing_ = false;
  }
  TcxCustomLookupEditProperties::NotifyPropertiesChanged();
}

void TcxCustomDBLookupEditProperties::FollowProvider() {
  if (changing_) return;
  TField* bound = BoundField();
  if ((bound && bound->Lookup() ? bound : nullptr) == lookupField_) return;
  // Quietly, as the provider was attached: properties shared by grid columns of different
  // lookup fields follow each column's field as it is asked, which changes nothing for the
  // grid (a change signal here relaid the grid out under the cell being calculated).
  changing_ = true;
  const bool quiet = ChangesSuppressed();
  SuppressChanges(true);
  cxdata_internal::Finally end{[this, quiet] {
    changing_ = false;
    SuppressChanges(quiet);
  }};
  if (textCache_) textCache_->RemoveAll();
  SyncWithLookupField();
  SyncListResultColumn();
}

bool TcxCustomDBLookupEditProperties::CheckDefinedByLookup() {
  FollowProvider();
  return lookupField_ != nullptr;
}

Integer TcxCustomDBLookupEditProperties::EditValueSource(bool editFocused) {
  FollowProvider();
  if (lookupField_) return editFocused ? 2 : 1;
  return TcxCustomLookupEditProperties::EditValueSource(editFocused);
}

Integer TcxCustomDBLookupEditProperties::GetListIndex() {
  FollowProvider();
  if (lookupField_) return FindListColumnByFieldName(lookupField_->LookupResultField());
  return TcxCustomLookupEditProperties::GetListIndex();
}

String TcxCustomDBLookupEditProperties::GetDisplayTextByKey(const Variant& key) {
  FollowProvider();
  TcxDBDataController* dc = GetListDBDataController();
  const Integer column = GetEffectiveListIndex();
  if (column == -1 || !dc) return String();
  if (textCache_) {
    int at = 0;
    if (textCache_->Locate(key, at)) return textCache_->ItemAt(at).DisplayText;
    // Located once in the data set, then served from the cache (also an empty text).
    String text;
    TDataSet* ds = dc->BoundDataSet();
    TField* listField = ListField();
    BeginListUpdate();
    try {
      if (ds && ds->Active() && listField && ds->Locate(KeyFieldNames(), key, {})) text = listField->AsString();
    } catch (const EVariantError&) {
    } catch (const EDatabaseError&) {
    } catch (...) {
      EndListUpdate();
      throw;
    }
    EndListUpdate();
    textCache_->InsertAt(at, key, text);
    return text;
  }
  int record = -1;
  try {
    record = dc->LocateByKey(key);
  } catch (const EVariantError&) {
    record = -1;  // a key that cannot be compared is no key of the list
  }
  return record < 0 ? String() : dc->GetDisplayText(record, column);
}

Variant TcxCustomDBLookupEditProperties::GetNullKey() {
  const std::vector<String> names = SplitFieldNames(KeyFieldNames());
  return names.size() <= 1 ? Null() : NullKeyArray(Integer(names.size()));
}

bool TcxCustomDBLookupEditProperties::IsTextKey() {
  const String keys = KeyFieldNames();
  if (DropDownListStyle() != lsEditList || keys.empty() || keys.find(';') != String::npos) return false;
  TcxDBDataController* dc = GetListDBDataController();
  TDataSet* ds = dc ? dc->BoundDataSet() : nullptr;
  TField* key = ds ? ds->FindField(keys) : nullptr;
  return key && key == ListField();
}

void TcxCustomDBLookupEditProperties::SyncWithLookupField() {
  TField* bound = BoundField();
  BindLookupField(bound && bound->Lookup() ? bound : nullptr);
  TcxDBDataController* dc = GetListDBDataController();
  if (bound && dc && dc->DataSource()) CheckCircularLink(dc->DataSource(), bound->DataSet());
}

void TcxCustomDBLookupEditProperties::SyncListResultColumn() {
  if (lookupField_) AddListColumn(lookupField_->LookupResultField());
}

void TcxCustomDBLookupEditProperties::BindLookupField(TField* field) {
  if (field == lookupField_) return;
  lookupField_ = field;
  if (!field) {
    internalSource_.reset();
    return;
  }
  if (!internalSource_) internalSource_ = std::make_unique<TDataSource>(nullptr);
  internalSource_->SetDataSet(field->LookupDataSet());
  TcxDBDataController* dc = GetListDBDataController();
  if (!dc) return;
  syncing_ = true;
  try {
    dc->SetDataSource(internalSource_.get());
    if (FindListColumnByFieldName(field->LookupResultField()) == -1) {
      BeginListColumnsUpdate();
      cxdata_internal::Finally end{[this] { EndListColumnsUpdate(); }};
      CreateListColumns(field->LookupResultField());
    }
    dc->SetKeyFieldNames(field->LookupKeyFields());
    TcxCustomLookupEditProperties::SetListIndex(0);
  } catch (...) {
    syncing_ = false;
    throw;
  }
  syncing_ = false;
}

void TcxCustomDBLookupEditProperties::CheckCircularLink(TDataSource* listSource, TDataSet* dataSet) {
  // The platform's data sets have no master links: only the list's own data set is followed.
  if (listSource && dataSet && listSource->DataSet() == dataSet) DatabaseError(CircularDataLinkMessage());
}

// ---- lookup data ----------------------------------------------------------------------------

void TcxCustomDBLookupEditLookupData::ItemIndexToKey(int recordIndex) {
  TcxCustomDataController* dc = ListController();
  SetKey(dc && recordIndex >= 0 ? dc->GetRecordId(recordIndex) : Null());
}

void TcxCustomDBLookupEditLookupData::SyncFocusWithKey() {
  auto* p = static_cast<TcxCustomDBLookupEditProperties*>(Properties());
  TcxDBDataController* dc = p->GetListDBDataController();
  if (!dc) return;
  p->BeginListUpdate();
  try {
    dc->LocateByKeyValue(CurrentKeyValue());
  } catch (const EVariantError&) {
  } catch (const EDatabaseError&) {
  } catch (...) {
    p->EndListUpdate();
    throw;
  }
  p->EndListUpdate();
}

// ---- the edit -------------------------------------------------------------------------------

Variant TcxCustomDBLookupEdit::GetEmptyEditValue() {
  TcxCustomDBLookupEditProperties* p = DBLookupProperties();
  TDataSet* list = p->LookupListDataSet();
  const String keys = p->KeyFieldNames();
  if (p->EditValueSource(InEditingMode()) != 2 || keys.find(';') == String::npos || !list)
    return TcxCustomLookupEdit::GetEmptyEditValue();
  std::vector<TField*> fields;
  list->GetFieldList(fields, keys);
  return NullKeyArray(Integer(fields.size()));
}

bool TcxCustomDBLookupEdit::AcceptsChar(char32_t c) {
  TField* field = DBLookupProperties()->ListField();
  return !field || field->IsValidChar(c);
}

Variant TcxCustomDBLookupEdit::ItemIndexToKey(Integer recordIndex) {
  TcxCustomDataController* dc = DBLookupProperties()->GetListDataController();
  return dc && recordIndex >= 0 && recordIndex < dc->GetRecordCount() ? dc->GetRecordId(recordIndex) : Null();
}

Integer TcxCustomDBLookupEdit::KeyToItemIndex(const Variant& key) {
  TcxDBDataController* dc = DBLookupProperties()->GetListDBDataController();
  if (!dc) return -1;
  try {
    return dc->LocateByKey(key);
  } catch (const EVariantError&) {
    return -1;
  }
}
