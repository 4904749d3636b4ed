// Data-set controller: field-name utilities, adapter registries, data-set fields, the storage
// reader over a data set, the data-mode settings and the data-set filter criteria.
#include "data/cxDBData.h"

#include <algorithm>

#include "data/cxCustomDataInternal.h"
#include "data/cxVariants.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

using cxdata_internal::Finally;

namespace {

bool IsBlobOrObjectType(TFieldType t) {
  return t == ftBytes || t == ftVarBytes || (t >= ftBlob && t <= ftCursor) || (t >= ftADT && t <= ftDataSet);
}

}  // namespace

// =============================================================================================
// Field-name lists and values

void SplitFieldNames(const String& names, std::vector<String>& list) {
  list.clear();
  if (names.empty()) return;
  std::size_t start = 0;
  while (true) {
    std::size_t p = names.find(';', start);
    list.push_back(Trim(names.substr(start, p == String::npos ? String::npos : p - start)));
    if (p == String::npos) break;
    start = p + 1;
    if (start >= names.size()) break;  // a trailing ";" ends the list
  }
}

int FieldNameCount(const String& names) {
  std::vector<String> list;
  SplitFieldNames(names, list);
  return int(list.size());
}

bool HasSeveralFieldNames(const String& names) { return FieldNameCount(names) > 1; }

void BracketFieldName(String& name) {
  if (!IsValidIdent(name)) name = "[" + name + "]";
}

String GetFilterFieldName(TField* field, bool ignoreOrigin) {
  if (field == nullptr) return String();
  if (!ignoreOrigin && !field->Origin().empty()) return field->Origin();
  String s = field->FieldName();
  BracketFieldName(s);
  return s;
}

bool IsLookupKeyModifiable(TField* field) {
  if (field == nullptr || field->DataSet() == nullptr) return false;
  std::vector<TField*> keys;
  field->DataSet()->GetFieldList(keys, field->KeyFields());
  if (keys.empty()) return false;
  for (TField* k : keys)
    if (!k->CanModify()) return false;
  return true;
}

bool IsCurrencyField(TField* field) {
  if (field == nullptr || field->OnGetText) return false;
  if (auto* f = dynamic_cast<TFloatField*>(field)) return f->Currency() && f->DisplayFormat().empty();
  if (auto* b = dynamic_cast<TBCDField*>(field)) return b->Currency() && b->DisplayFormat().empty();
  return false;
}

bool NeedsStoredText(TField* field, bool editsByText) {
  if (field == nullptr) return false;
  if (field->OnGetText || !field->EditMask().empty()) return true;
  if (IsBlobOrObjectType(field->DataType())) return editsByText;
  if (dynamic_cast<TBooleanField*>(field)) return editsByText;
  if (auto* n = dynamic_cast<TNumericField*>(field)) {
    if (!n->DisplayFormat().empty() || !n->EditFormat().empty()) return true;
    if (auto* f = dynamic_cast<TFloatField*>(field)) return f->Currency();
    if (auto* b = dynamic_cast<TBCDField*>(field)) return b->Currency();
    return false;
  }
  if (auto* d = dynamic_cast<TDateTimeField*>(field)) return !d->DisplayFormat().empty();
  if (auto* a = dynamic_cast<TAggregateField*>(field)) return !a->DisplayFormat().empty() || a->Currency();
  return false;
}

Variant ReadFieldValue(TField* field) {
  // Value is Null for a null field: only wide strings need the null test before their text.
  if (field->DataType() == ftWideString && !dynamic_cast<TAggregateField*>(field))
    return field->IsNull() ? Variant(Null()) : Variant(field->AsWideString());
  return field->Value();
}

void WriteFieldValue(TField* field, const Variant& value) {
  if (dynamic_cast<TDateTimeField*>(field) && value.VarType() == varDouble)
    field->SetAsDateTime(value.AsDateTime());
  else
    field->SetValue(value);
}

Variant GetFieldValues(const std::vector<TField*>& fields) {
  if (fields.empty()) return Null();
  if (fields.size() == 1) return fields[0]->Value();
  std::vector<Variant> values;
  for (TField* f : fields) values.push_back(f->Value());
  return VarArrayOf(values);
}

void SetFieldValues(const std::vector<TField*>& fields, const Variant& value) {
  if (fields.empty()) return;
  if (fields.size() == 1) {
    fields[0]->SetValue(value);
    return;
  }
  for (std::size_t i = 0; i < fields.size(); ++i)
    fields[i]->SetValue(VarArrayGet(value, {Integer(i)}));
}

bool SameTextIgnoreCase(const String& a, const String& b) { return AnsiUpperCase(a) == AnsiUpperCase(b); }

KORVAN_IMPLEMENT_CLASS(TcxFilterSQLNullOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterSQLNotNullOperator)

// =============================================================================================
// Adapter registries

bool TcxDBAdapterList::FindItem(TClass dataSetClass, int& index) {
  for (int i = Count() - 1; i >= 0; --i) {
    TClass c = Items(i)->DataSetClass();
    if (dataSetClass == c || dataSetClass->InheritsFrom(c)) {
      index = i;
      return true;
    }
    if (c->InheritsFrom(dataSetClass)) index = i;
  }
  return false;
}

void TcxDBAdapterList::RegisterAdapter(TClass dataSetClass, const String& adapterClass,
                                       const TcxDBAdapterItemFactory& factory) {
  int index = -1;
  Entry e{factory(dataSetClass), adapterClass};
  if (FindItem(dataSetClass, index))
    items_.insert(items_.begin() + index + 1, e);
  else if (index == -1)
    items_.push_back(e);
  else
    items_.insert(items_.begin() + index, e);
}

void TcxDBAdapterList::UnregisterAdapter(TClass dataSetClass, const String& adapterClass) {
  for (int i = Count() - 1; i >= 0; --i) {
    Entry& e = items_[std::size_t(i)];
    if (e.Item->DataSetClass() == dataSetClass && e.ClassName == adapterClass) {
      delete e.Item;
      items_.erase(items_.begin() + i);
    }
  }
}

void TcxDBAdapterList::Clear() {
  for (auto& e : items_) delete e.Item;
  items_.clear();
}

void TcxDBFilterOperatorAdapter::PrepareOperatorClass(TcxFilterCriteriaItem*, TDataSet* dataSet,
                                                      TcxFilterOperatorClass& opClass) {
  if (dataSet == nullptr) return;
  bool isNull = opClass == TcxFilterNullOperator::StaticClass() || opClass->InheritsFrom(TcxFilterNullOperator::StaticClass());
  if (!isNull) return;
  if (AnsiUpperCase(dataSet->ClassType()->ClassName()).find(AnsiUpperCase("Query")) == String::npos) return;
  bool notNull = opClass == TcxFilterNotNullOperator::StaticClass() ||
                 opClass->InheritsFrom(TcxFilterNotNullOperator::StaticClass());
  opClass = notNull ? TcxFilterSQLNotNullOperator::StaticClass() : TcxFilterSQLNullOperator::StaticClass();
}

TcxDBAdapterList* cxFilterOperatorAdapters() {
  static TcxDBAdapterList* list = [] {
    auto* l = new TcxDBAdapterList;
    l->RegisterAdapter(TDataSet::StaticClass(), "TcxDBFilterOperatorAdapter",
                       [](TClass c) { return new TcxDBFilterOperatorAdapter(c); });
    return l;
  }();
  return list;
}

TcxDBFilterOperatorAdapter* GetFilterOperatorAdapter(TDataSet* dataSet) {
  if (dataSet == nullptr) return nullptr;
  int index = -1;
  TcxDBAdapterList* l = cxFilterOperatorAdapters();
  if (!l->FindItem(dataSet->ClassType(), index)) return nullptr;
  return dynamic_cast<TcxDBFilterOperatorAdapter*>(l->Items(index));
}

TcxDBAdapterList* cxDetailFilterAdapters() {
  static TcxDBAdapterList* list = [] {
    auto* l = new TcxDBAdapterList;
    l->RegisterAdapter(TDataSet::StaticClass(), "TcxDBProviderDetailFilterAdapter",
                       [](TClass c) { return new TcxDBProviderDetailFilterAdapter(c); });
    return l;
  }();
  return list;
}

TParams* cxDataSetParams(TDataSet* dataSet) {
  if (dataSet == nullptr || !IsPublishedProp(dataSet, "Params")) return nullptr;
  return dynamic_cast<TParams*>(GetObjectProp(dataSet, "Params"));
}

namespace {
bool ParamsEqual(TParams* params, const String& names, const Variant& values) {
  Variant current = params->ParamValues(names);
  return VariantsCompareEqual(current, values);
}
}  // namespace

bool TcxDBProviderDetailFilterAdapter::IsCurrentQuery(TDataSet* dataSet, const String& names, const Variant& values) {
  TParams* params = cxDataSetParams(dataSet);
  return params != nullptr && ParamsEqual(params, names, values);
}

void TcxDBProviderDetailFilterAdapter::ReopenSQL(TDataSet* dataSet, const String& names, const Variant& values,
                                                 bool& reopened) {
  TParams* params = cxDataSetParams(dataSet);
  if (params == nullptr) return;
  if (ParamsEqual(params, names, values)) {
    dataSet->First();
    return;
  }
  dataSet->DisableControls();
  Finally enable{[dataSet] { dataSet->EnableControls(); }};
  dataSet->SetActive(false);
  params->SetParamValues(names, values);
  dataSet->SetActive(true);
  reopened = true;
}

void TcxDBProviderDetailFilterAdapter::DetailFirst(TDataSet* dataSet, const String& names, const Variant& values,
                                                   bool queryMode, bool& reopened) {
  if (queryMode)
    ReopenSQL(dataSet, names, values, reopened);
  else
    dataSet->Locate(names, values, {});
}

// =============================================================================================
// Data-set fields

TcxDBDataField::~TcxDBDataField() {
  if (parent_ != nullptr) {
    auto& s = parent_->subFields_;
    s.erase(std::remove(s.begin(), s.end(), this), s.end());
  }
  FreeSubFields();
}

TcxDBDataController* TcxDBDataField::DBController() const {
  return static_cast<TcxDBDataController*>(OwnerController());
}

const TcxDBDataField* TcxDBDataField::End() const {
  const TcxCustomDataField* f = this;
  while (f->ReferenceField() != nullptr) f = f->ReferenceField();
  return static_cast<const TcxDBDataField*>(f);
}

TField* TcxDBDataField::SourceField() const { return End()->field_; }
int TcxDBDataField::SubFieldCount() const { return int(End()->subFields_.size()); }
TcxDBDataField* TcxDBDataField::SubField(int index) const { return End()->subFields_.at(std::size_t(index)); }
bool TcxDBDataField::IsLookup() const {
  TField* f = SourceField();
  return f != nullptr && f->Lookup();
}
bool TcxDBDataField::IsCurrency() const { return End()->isCurrency_; }

void TcxDBDataField::AddSubField(TcxDBDataField* sub) {
  if (sub->parent_ != nullptr) throw EcxInvalidDataControllerOperation("ADataField.FParentField <> nil");
  sub->parent_ = this;
  subFields_.push_back(sub);
}

void TcxDBDataField::FreeSubFields() {
  std::vector<TcxDBDataField*> subs;
  subs.swap(subFields_);
  for (TcxDBDataField* s : subs) {
    s->parent_ = nullptr;
    delete s;
  }
}

void TcxDBDataField::AdoptStorage(TcxCustomDataField* source) {
  TcxCustomDataField::AdoptStorage(source);
  if (auto* s = dynamic_cast<TcxDBDataField*>(source)) {
    field_ = s->field_;
    s->field_ = nullptr;
    subFields_.swap(s->subFields_);
    for (auto* sub : subFields_) sub->parent_ = this;
    isCurrency_ = s->isCurrency_;
  }
}

void TcxDBDataField::ComponentRemoved(TComponent* component) {
  if (ReferenceField() != nullptr) return;
  TcxCustomDataField::ComponentRemoved(component);
  if (component != nullptr && component == field_) {
    TcxDBDataProvider* p = DBController()->DBProvider();
    if (p->InFirst() && p->DataLink()->Active() && p->DataSet() && !p->DataSet()->Active()) p->MarkRecreatedFields();
    SetField(nullptr);
  }
}

bool TcxDBDataField::IsUnboundField() const {
  return !IsInternal() && fieldName_.empty() && SourceField() == nullptr && ValueDef() != nullptr;
}

bool TcxDBDataField::IsInternalValue() const {
  TcxDBDataController* c = DBController();
  if (SourceField() != nullptr && !c->IsGridMode()) return false;
  if (IsUnboundField() && c->InUnboundCopy()) return false;
  return true;
}

bool TcxDBDataField::CanStoreValue(int editKind) const {
  if (IsUnboundField()) return TcxCustomDataField::CanStoreValue(editKind);
  TField* f = SourceField();
  if (!TcxCustomDataField::CanStoreValue(editKind) || f == nullptr) return false;
  if (f->Lookup()) {
    if (editKind != 2) return false;
    for (int i = 0; i < SubFieldCount(); ++i)
      if (!SubField(i)->CanStoreValue(0)) return false;
    return true;
  }
  if (!f->CanModify()) return false;
  if (editKind == 0) return true;
  if (IsBlobOrObjectType(f->DataType())) return bool(f->OnSetText);
  return true;
}

void TcxDBDataField::SetField(TField* field) {
  if (ReferenceField() != nullptr) return;
  if (field != nullptr && field->ComponentState().Contains(csDestroying)) field = nullptr;
  if (field == field_) return;
  field_ = field;
  if (field != nullptr) DBController()->RegisterFieldNotification(field);
  FreeSubFields();
}

namespace {
TcxValueTypeClass ValueTypeOfField(TField* field) {
  if (field == nullptr) return TcxStringValueType::Class();
  switch (field->DataType()) {
    case ftString: return TcxStringValueType::Class();
    case ftSmallint: return TcxSmallintValueType::Class();
    case ftInteger: case ftAutoInc: return TcxIntegerValueType::Class();
    case ftWord: return TcxWordValueType::Class();
    case ftBoolean: return TcxBooleanValueType::Class();
    case ftFloat: case ftCurrency: return TcxFloatValueType::Class();
    case ftBCD: return TcxCurrencyValueType::Class();
    case ftDate: case ftTime: case ftDateTime: return TcxDateTimeValueType::Class();
    case ftWideString: return TcxWideStringValueType::Class();
    case ftLargeint: return TcxLargeIntValueType::Class();
    case ftFMTBcd: return TcxFMTBcdValueType::Class();
    default: return TcxVariantValueType::Class();
  }
}
}  // namespace

void TcxDBDataField::UpdateValueType(TField* field) {
  if (ReferenceField() != nullptr) return;
  TcxDBDataController* c = DBController();
  while (true) {
    bool editsByText = !IsInternal() && c->GetItemValueSource(Index()) == 1;
    bool stored = NeedsStoredText(field, editsByText);
    TcxValueTypeClass type = ValueTypeOfField(field);
    bool currency = IsCurrencyField(field);
    bool typeChanged = type != ValueTypeClass() || currency != isCurrency_;
    if (!typeChanged && stored == IsTextStored()) break;
    SuspendValueDef();
    {
      Finally resume{[this] { ResumeValueDef(); }};
      ChangeTextStored(stored);
      ChangeValueTypeClass(type);
      isCurrency_ = currency;
    }
    if (typeChanged) NotifyTypeChanged();
  }
}

void TcxDBDataField::NotifyTypeChanged() {
  TcxDBDataController* c = DBController();
  if (!IsInternal() && Index() < c->GetItemCount()) c->ItemValueTypeClassChanged(Index());
  // The items sharing this field's storage follow; found first, as a handler may change the list.
  const TcxCustomDataFieldList* list = c->Fields();
  if (!list->HasReferences()) return;
  std::vector<int> sharing;
  for (int i = 0, n = list->ExternalCount(); i < n; ++i) {
    const TcxCustomDataField* f = list->Items(i);
    if (f != this && f->ReferenceField() == this) sharing.push_back(i);
  }
  for (int i : sharing)
    if (i < c->GetItemCount()) c->ItemValueTypeClassChanged(i);
}

// =============================================================================================
// The storage reader

const TcxValueDefDBReader::Entry& TcxValueDefDBReader::Lookup(TcxValueDef* def) {
  for (const Entry& e : cache_)
    if (e.Def == def) return e;
  auto* f = dynamic_cast<TcxDBDataField*>(def->LinkedObject());
  cache_.push_back({def, f, f ? f->SourceField() : nullptr});
  return cache_.back();
}

String TcxValueDefDBReader::ReadDisplayText(TcxValueDef* def) {
  const Entry& e = Lookup(def);
  return e.Source ? e.Source->DisplayText() : TcxValueDefReader::ReadDisplayText(def);
}

Variant TcxValueDefDBReader::ReadValue(TcxValueDef* def) {
  const Entry& e = Lookup(def);
  return e.Source ? ReadFieldValue(e.Source) : TcxValueDefReader::ReadValue(def);
}

bool TcxValueDefDBReader::IsSkipped(TcxValueDef* def) {
  const Entry& e = Lookup(def);
  return e.Field == nullptr || e.Field->IsInternalValue();
}

TcxValueDefDBReader::TStep TcxValueDefDBReader::StepOf(TcxValueDef* def) {
  if (IsSkipped(def)) return TStep::Skip;
  const Entry& e = Lookup(def);
  // Only the standard field classes: their conversion of a stored value of the storage's own
  // kind leaves it as it is, so the stored value is what Value would give.
  if (e.Source == nullptr || def->HoldsText()) return TStep::Value;
  TClass cls = e.Source->ClassType();
  TcxValueTypeClass type = def->ValueType();
  if (type == TcxIntegerValueType::Class() &&
      (cls == TIntegerField::StaticClass() || cls == TAutoIncField::StaticClass()))
    return TStep::Integer;
  if (type == TcxLargeIntValueType::Class() && cls == TLargeintField::StaticClass()) return TStep::LargeInt;
  if (type == TcxFloatValueType::Class() && cls == TFloatField::StaticClass()) return TStep::Float;
  if (type == TcxDateTimeValueType::Class() &&
      (cls == TDateTimeField::StaticClass() || cls == TDateField::StaticClass() || cls == TTimeField::StaticClass()))
    return TStep::Float;
  if (type == TcxStringValueType::Class() && def->IsPooled() && cls == TStringField::StaticClass()) return TStep::Text;
  return TStep::Value;
}

void TcxValueDefDBReader::ReadThroughValue(TcxDataStorage* storage, int index, TcxValueDef* def) {
  storage->SetRecordValue(index, def, ReadValue(def));
  if (def->HoldsText()) storage->SetRecordText(index, def, ReadDisplayText(def));
}

void TcxValueDefDBReader::LoadRecord(TcxDataStorage* storage, int index) {
  if (planned_ != storage) {
    plan_.clear();
    TcxValueDefs* defs = storage->ValueDefs();
    for (int i = 0; i < defs->DefCount(); ++i) {
      TcxValueDef* d = defs->DefAt(i);
      plan_.push_back({d, Lookup(d).Source, StepOf(d)});
    }
    planned_ = storage;
  }
  Byte* b = storage->RecordBuffer(index);
  TStoredCell cell;
  for (const Step& s : plan_) {
    if (s.How == TStep::Skip) continue;
    if (s.How == TStep::Value || !s.Source->DataSet()->ReadStoredCell(s.Source, cell)) {
      ReadThroughValue(storage, index, s.Def);
      continue;
    }
    if (cell.Kind == TStoredCell::Null) {
      s.Def->MarkNull(b, true);
      continue;
    }
    switch (s.How) {
      case TStep::Integer:
        if (cell.Kind != TStoredCell::Int) break;
        s.Def->SetRecordFixed(b, int32_t(cell.IntValue));
        continue;
      case TStep::LargeInt:
        if (cell.Kind != TStoredCell::Int) break;
        s.Def->SetRecordFixed(b, int64_t(cell.IntValue));
        continue;
      case TStep::Float:
        if (cell.Kind != TStoredCell::Float) break;
        s.Def->SetRecordFixed(b, cell.FloatValue);
        continue;
      case TStep::Text:
        if (cell.Kind != TStoredCell::Text) break;
        s.Def->SetRecordPooledText(b, cell.TextValue);
        continue;
      default: break;
    }
    // A stored value of another kind than the plan expected.
    ReadThroughValue(storage, index, s.Def);
  }
}

// =============================================================================================
// Data-mode settings

void TcxDBDataModeController::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxDBDataModeController*>(source);
  if (s == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  DetailInSQLMode = s->DetailInSQLMode;
  DetailSyncMode = s->DetailSyncMode;
  SetGridMode(s->gridMode_);
  SetGridModeBufferCount(s->gridModeBufferCount_);
  SetSmartRefresh(s->smartRefresh_);
  SyncInserts = s->SyncInserts;
  SetSyncMode(s->syncMode_);
  OnDetailFirst = s->OnDetailFirst;
  OnDetailIsCurrentQuery = s->OnDetailIsCurrentQuery;
}

void TcxDBDataModeController::SetGridMode(bool value) {
  if (value == gridMode_) return;
  bool was = controller_->IsGridMode();
  gridMode_ = value;
  if (controller_->IsGridMode() != was) controller_->UpdateStructure();
}

void TcxDBDataModeController::SetGridModeBufferCount(int value) {
  value = std::max(0, value);
  if (value == gridModeBufferCount_) return;
  gridModeBufferCount_ = value;
  controller_->UpdateGridModeBufferCount();
}

void TcxDBDataModeController::SetSmartRefresh(bool value) {
  if (value == smartRefresh_) return;
  smartRefresh_ = value;
  if (!controller_->IsGridMode()) controller_->DBProvider()->LayoutChangedBy(0);
}

void TcxDBDataModeController::SetSyncMode(bool value) {
  if (value == syncMode_) return;
  syncMode_ = value;
  if (controller_->Provider()->IsDataAvailable()) controller_->DBProvider()->LayoutChangedBy(0);
}

bool TcxDBDataModeController::DetailIsCurrentQuery(const String& names, const Variant& values) {
  if (OnDetailIsCurrentQuery) return OnDetailIsCurrentQuery(this, controller_->BoundDataSet(), names, values);
  return controller_->GetDetailFilterAdapter()->IsCurrentQuery(controller_->BoundDataSet(), names, values);
}

void TcxDBDataModeController::DetailFirst(const String& names, const Variant& values, bool& reopened) {
  reopened = false;
  if (OnDetailFirst) {
    OnDetailFirst(this, controller_->BoundDataSet(), names, values, reopened);
    return;
  }
  controller_->GetDetailFilterAdapter()->DetailFirst(controller_->BoundDataSet(), names, values, DetailInSQLMode,
                                                     reopened);
}

// =============================================================================================
// The data-set filter criteria

TcxFilterOperatorClass TcxDBDataFilterCriteriaItem::OperatorDisplayTextSource() {
  TcxFilterOperatorClass c = TcxDataFilterCriteriaItem::OperatorDisplayTextSource();
  auto* criteria = dynamic_cast<TcxDBDataFilterCriteria*>(GetCriteria());
  if (criteria == nullptr) return c;
  auto* controller = dynamic_cast<TcxDBDataController*>(criteria->DataController());
  TDataSet* ds = controller ? controller->BoundDataSet() : nullptr;
  if (TcxDBFilterOperatorAdapter* a = GetFilterOperatorAdapter(ds)) a->PrepareOperatorClass(this, ds, c);
  return c;
}

TcxDBDataFilterCriteria::TcxDBDataFilterCriteria(TcxCustomDataController* controller)
    : TcxDataFilterCriteria(controller) {}

void TcxDBDataFilterCriteria::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxDBDataFilterCriteria*>(source);
  if (s == nullptr) {
    TcxDataFilterCriteria::Assign(source);
    return;
  }
  LockChanges();
  Finally end{[this] { UnlockChanges(); }};
  TcxDataFilterCriteria::Assign(source);
  SetAutoDataSetFilter(s->autoDataSetFilter_);
  SetIgnoreOrigin(s->ignoreOrigin_);
}

void TcxDBDataFilterCriteria::AssignEvents(TcxFilterCriteria* source) {
  TcxDataFilterCriteria::AssignEvents(source);
  if (auto* s = dynamic_cast<TcxDBDataFilterCriteria*>(source)) {
    OnBeforeChange = s->OnBeforeChange;
    OnFormatFilterTextValue = s->OnFormatFilterTextValue;
  }
}

void TcxDBDataFilterCriteria::RestoreDefaults() {
  LockChanges();
  Finally end{[this] { UnlockChanges(); }};
  TcxDataFilterCriteria::RestoreDefaults();
  SetAutoDataSetFilter(false);
  SetIgnoreOrigin(true);
}

void TcxDBDataFilterCriteria::FormatFilterTextValue(TcxFilterCriteriaItem*, const Variant& v, String& s) {
  if (OnFormatFilterTextValue) OnFormatFilterTextValue(this, v, s);
}

void TcxDBDataFilterCriteria::ConditionValueText(TcxFilterCriteriaItem* condition, bool display, String& s) {
  TcxDataFilterCriteria::ConditionValueText(condition, display, s);
  if (!display) FormatFilterTextValue(condition, condition->Value(), s);
}

TcxFilterCriteriaItemClass TcxDBDataFilterCriteria::GetItemClass() {
  return &CreateFilterCriteriaItem<TcxDBDataFilterCriteriaItem>;
}

void TcxDBDataFilterCriteria::SetAutoDataSetFilter(bool value) {
  if (value == autoDataSetFilter_) return;
  autoDataSetFilter_ = value;
  SignalChanged();
}

void TcxDBDataFilterCriteria::SetIgnoreOrigin(bool value) {
  if (value == ignoreOrigin_) return;
  ignoreOrigin_ = value;
  SignalChanged();
}

bool TcxDBDataFilterCriteria::IsDataSetFilterActive() {
  auto* c = static_cast<TcxDBDataController*>(DataController());
  return autoDataSetFilter_ && !c->DBProvider()->IsSmartRefresh();
}

bool TcxDBDataFilterCriteria::IsFiltering() {
  return TcxDataFilterCriteria::IsFiltering() && !OnBeforeChange && !IsDataSetFilterActive();
}

void TcxDBDataFilterCriteria::DoChanged() {
  if (IsInFilterList()) return;
  auto* c = static_cast<TcxDBDataController*>(DataController());
  TDataSet* ds = c->BoundDataSet();
  if (!IsDestroying()) {
    if (ds != nullptr && (ds->State() == dsEdit || ds->State() == dsInsert || ds->State() == dsSetKey)) {
      try {
        c->EnsureBrowseMode();
      } catch (...) {
        SetActive(false);
        throw;
      }
    }
    if (OnBeforeChange && !IsLoading()) OnBeforeChange(this, ds, FilterTextValue());
    if (IsDataSetFilterActive() && ds != nullptr) {
      String text = FilterTextValue();
      TFilterOptions options;
      if (Options().Contains(fcoCaseInsensitive)) options += foCaseInsensitive;
      bool filtered = Active() && !text.empty();
      if (ds->Filter() != text || ds->FilterOptions() != options || ds->Filtered() != filtered) {
        ds->DisableControls();
        Finally enable{[ds] { ds->EnableControls(); }};
        ds->SetFilter(text);
        ds->SetFilterOptions(options);
        ds->SetFiltered(filtered);
      }
    }
  }
  TcxDataFilterCriteria::DoChanged();
  if (!IsDestroying() && c->Provider()->IsSyncMode()) c->CheckFocusedRow();
}
