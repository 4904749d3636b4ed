// Data sources, data links and parameters.
#include <algorithm>

#include "db/DB.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TDataSource) {
  p.Bool("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(1);
  p.Object("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet, TDataSet::StaticClass());
  p.Bool("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(1);
  p.Event("OnDataChange", &TDataSource::OnDataChange, "TDataChangeEvent");
  p.Event("OnStateChange", &TDataSource::OnStateChange);
  p.Event("OnUpdateData", &TDataSource::OnUpdateData);
}
KORVAN_IMPLEMENT_CLASS(TDataLink)
KORVAN_IMPLEMENT_CLASS(TParam)
KORVAN_IMPLEMENT_CLASS(TParams)

// ---------------------------------------------------------------------------------------------
// TDataSource

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
  std::vector<TDataLink*> links = links_;
  for (TDataLink* l : links) l->SetDataSource(nullptr);
  if (dataSet_ != nullptr) {
    dataSet_->RemoveDataSource(this);
    dataSet_ = nullptr;
  }
}

void TDataSource::Notification(TComponent* c, TOperation operation) {
  TComponent::Notification(c, operation);
  if (operation == opRemove && c == dataSet_) {
    // The data set is going: it forgets this source too (its destructor detaches the sources
    // it still lists).
    dataSet_->RemoveDataSource(this);
    dataSet_ = nullptr;
    UpdateState();
  }
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_ != nullptr) {
    dataSet_->RemoveDataSource(this);
    dataSet_->RemoveFreeNotification(this);
  }
  dataSet_ = dataSet;
  if (dataSet_ != nullptr) {
    dataSet_->FreeNotification(this);
    dataSet_->AddDataSource(this);
  }
  UpdateState();
}

void TDataSource::SetEnabled(bool v) {
  enabled_ = v;
  UpdateState();
}

void TDataSource::UpdateState() {
  SetState(enabled_ && dataSet_ != nullptr ? dataSet_->State() : dsInactive);
}

void TDataSource::SetState(TDataSetState value) {
  if (state_ == value) return;
  TDataSetState prior = state_;
  state_ = value;
  NotifyDataLinks(deUpdateState, 0, true);
  if (OnStateChange && !(prior == dsInactive && value == dsInactive)) OnStateChange(this);
}

void TDataSource::Edit() {
  if (autoEdit_ && state_ == dsBrowse) dataSet_->Edit();
}

// Links with a window of several records (grids) hear an event before single-record links;
// within each group the newest link first.
// By index from the end: a link that a handler removes is not called afterwards.
void TDataSource::NotifyDataLinks(TDataEvent event, NativeInt info, bool visualToo) {
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t i = links_.size(); i-- > 0;) {
      if (i >= links_.size()) continue;
      TDataLink* l = links_[i];
      if ((pass == 0) != (l->BufferCount() > 1)) continue;
      if (!visualToo && l->VisualControl() && event != deDisabledStateChange) continue;
      l->DataEvent(event, info);
    }
  }
}

// While the data set's controls are disabled, visual links hear only the disabled-state
// change and the data-change handlers stay silent; non-visual links hear everything.
void TDataSource::DataEvent(TDataEvent event, NativeInt info) {
  if (event == deUpdateState) {
    UpdateState();
    return;
  }
  if (!enabled_) return;
  bool disabled = dataSet_ != nullptr && dataSet_->ControlsDisabled();
  if (state_ == dsInactive && !disabled) return;
  NotifyDataLinks(event, info, !disabled);
  if (disabled) return;
  switch (event) {
    case deFieldChange:
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
      if (OnDataChange) OnDataChange(this, event == deFieldChange ? reinterpret_cast<TField*>(info) : nullptr);
      break;
    case deUpdateRecord:
      if (OnUpdateData) OnUpdateData(this);
      break;
    default:
      break;
  }
}

void TDataSource::AddDataLink(TDataLink* link) {
  links_.push_back(link);
  if (dataSet_ != nullptr) dataSet_->UpdateBufferCount();
}

void TDataSource::RemoveDataLink(TDataLink* link) {
  auto it = std::find(links_.begin(), links_.end(), link);
  if (it != links_.end()) links_.erase(it);
  if (dataSet_ != nullptr) dataSet_->UpdateBufferCount();
}

// ---------------------------------------------------------------------------------------------
// TDataLink

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
  if (dataSource_ != nullptr) dataSource_->RemoveDataLink(this);
  dataSource_ = nullptr;
}

TDataSet* TDataLink::DataSet() const { return dataSource_ ? dataSource_->DataSet() : nullptr; }

void TDataLink::SetDataSource(TDataSource* ds) {
  if (ds == dataSource_) return;
  if (dataSource_ != nullptr) dataSource_->RemoveDataLink(this);
  dataSource_ = ds;
  if (dataSource_ != nullptr) dataSource_->AddDataLink(this);
  UpdateState();
}

void TDataLink::SetReadOnly(bool v) {
  if (readOnly_ == v) return;
  readOnly_ = v;
  UpdateState();
}

void TDataLink::UpdateState() {
  // A non-visual link follows the data set itself while visual ones wait for the controls.
  TDataSetState s = dsInactive;
  if (dataSource_ != nullptr) {
    s = dataSource_->State();
    TDataSet* ds = dataSource_->DataSet();
    if (ds != nullptr && !visualControl_ && dataSource_->Enabled()) s = ds->State();
  }
  SetActive(s != dsInactive);
  SetEditing(s == dsEdit || s == dsInsert || s == dsSetKey);
}

void TDataLink::SetActive(bool v) {
  if (active_ == v) return;
  active_ = v;
  if (v) UpdateRange();
  else firstRecord_ = 0;
  ActiveChanged();
}

void TDataLink::SetEditing(bool v) {
  if (editing_ == v) return;
  editing_ = v;
  EditingChanged();
}

void TDataLink::UpdateRange() {
  TDataSet* ds = DataSet();
  if (!active_ || ds == nullptr) return;
  Integer a = ds->activeRecord_;
  Integer min = std::max(0, a - bufferCount_ + 1);
  Integer max = std::min(a, std::max(0, ds->bufferCount_ - bufferCount_));
  if (firstRecord_ < min) firstRecord_ = min;
  if (firstRecord_ > max) firstRecord_ = max;
}

Integer TDataLink::ActiveRecord() const {
  TDataSet* ds = DataSet();
  if (!active_ || ds == nullptr) return 0;
  return ds->activeRecord_ - firstRecord_;
}

void TDataLink::SetActiveRecord(Integer value) {
  TDataSet* ds = DataSet();
  if (!active_ || ds == nullptr) return;
  ds->activeRecord_ = value + firstRecord_;
}

Integer TDataLink::RecordCount() const {
  TDataSet* ds = DataSet();
  if (!active_ || ds == nullptr) return 0;
  Integer n = std::min(bufferCount_, ds->recordCount_ - firstRecord_);
  return n < 0 ? 0 : n;
}

void TDataLink::SetBufferCount(Integer value) {
  if (value < 1) value = 1;
  if (bufferCount_ == value) return;
  bufferCount_ = value;
  TDataSet* ds = DataSet();
  if (ds != nullptr) {
    ds->UpdateBufferCount();
    if (active_) UpdateRange();
  }
}

bool TDataLink::Edit() {
  if (!readOnly_ && dataSource_ != nullptr) dataSource_->Edit();
  return editing_;
}

void TDataLink::UpdateRecord() {
  if (updating_) return;
  updating_ = true;
  try {
    UpdateData();
  } catch (...) {
    updating_ = false;
    throw;
  }
  updating_ = false;
}

void TDataLink::DataEvent(TDataEvent event, NativeInt info) {
  if (event == deUpdateState || (event == deDisabledStateChange && !visualControl_)) {
    UpdateState();
    return;
  }
  if (!active_) return;
  switch (event) {
    case deFieldChange:
    case deRecordChange:
      if (!updating_) RecordChanged(reinterpret_cast<TField*>(info));
      break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
      // `info` of a scroll is how far the data set's buffers moved: the link's window keeps
      // its records, then follows the active record.
      Integer before = firstRecord_ - (event == deDataSetScroll ? Integer(info) : 0);
      firstRecord_ = before;
      UpdateRange();
      Integer distance = firstRecord_ - before;
      if (event == deDataSetChange) DataSetChanged();
      else if (event == deDataSetScroll) DataSetScrolled(distance);
      else LayoutChanged();
      break;
    }
    case deUpdateRecord:
      UpdateRecord();
      break;
    case deCheckBrowseMode:
      CheckBrowseMode();
      break;
    case deFocusControl:
      FocusControl(reinterpret_cast<TField**>(info));
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// Parameters

void TParam::SetValue(const Variant& v) {
  value_ = v;
  if (dataType_ != ftUnknown) return;
  switch (VarType(v)) {
    case varSmallint: case varShortInt: case varByte: dataType_ = ftSmallint; break;
    case varInteger: case varWord: case varLongWord: dataType_ = ftInteger; break;
    case varInt64: dataType_ = ftLargeint; break;
    case varSingle: case varDouble: dataType_ = ftFloat; break;
    case varCurrency: dataType_ = ftCurrency; break;
    case varDate: dataType_ = ftDateTime; break;
    case varBoolean: dataType_ = ftBoolean; break;
    case varString: case varOleStr: dataType_ = ftString; break;
    default: break;
  }
}

TParam* TParams::CreateParam(TFieldType type, const String& name, TParamType paramType) {
  items_.push_back(std::make_unique<TParam>(name, type, paramType));
  return items_.back().get();
}

TParam* TParams::Items(Integer i) const {
  if (i < 0 || i >= Count()) throw EListError("List index out of bounds (" + IntToStr(i) + ")");
  return items_[std::size_t(i)].get();
}

TParam* TParams::FindParam(const String& name) const {
  for (const auto& p : items_)
    if (AnsiSameText(p->Name(), name)) return p.get();
  return nullptr;
}

TParam* TParams::ParamByName(const String& name) const {
  TParam* p = FindParam(name);
  if (p == nullptr) throw EDatabaseError("Parameter '" + name + "' not found");
  return p;
}

Variant TParams::ParamValues(const String& names) const {
  std::vector<String> list = SplitFieldNames(names);
  if (list.size() == 1) return ParamByName(list[0])->Value();
  std::vector<Variant> values;
  for (const String& n : list) values.push_back(ParamByName(n)->Value());
  return VarArrayOf(values);
}

void TParams::SetParamValues(const String& names, const Variant& value) {
  std::vector<String> list = SplitFieldNames(names);
  if (list.size() == 1) {
    ParamByName(list[0])->SetValue(value);
    return;
  }
  for (std::size_t i = 0; i < list.size(); ++i)
    ParamByName(list[i])->SetValue(value.GetElement(VarArrayLowBound(value, 1) + Integer(i)));
}

void TParams::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TParams*>(source)) {
    items_.clear();
    for (const auto& p : other->items_) {
      TParam* q = CreateParam(p->DataType(), p->Name(), p->ParamType());
      q->SetValue(p->Value());
    }
    return;
  }
  TPersistent::Assign(source);
}
