#include "editors-extra/cxDBEdit.h"

#include "rtl/SysUtils.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomDBEditDefaultValuesProvider)

TcxCustomDBEditDefaultValuesProvider::TcxCustomDBEditDefaultValuesProvider(TPersistent* owner)
    : TcxCustomEditDefaultValuesProvider(owner), notificator_(new TcxFreeNotificator(nullptr)) {
  notificator_->OnComponentFreed = [this](TComponent* c) { ComponentFreed(c); };
}

TcxCustomDBEditDefaultValuesProvider::~TcxCustomDBEditDefaultValuesProvider() { delete notificator_; }

void TcxCustomDBEditDefaultValuesProvider::ComponentFreed(TComponent* c) {
  if (c == dataSource_)
    SetDataSource(nullptr);
  else
    SetField(nullptr);
}

void TcxCustomDBEditDefaultValuesProvider::SetDataSource(TDataSource* value) {
  if (value == dataSource_) return;
  if (dataSource_) notificator_->UnwatchComponent(dataSource_);
  dataSource_ = value;
  if (dataSource_) notificator_->WatchComponent(dataSource_);
}

void TcxCustomDBEditDefaultValuesProvider::SetField(TField* value) {
  if (value == field_) return;
  if (field_) notificator_->UnwatchComponent(field_);
  field_ = value;
  if (field_) notificator_->WatchComponent(field_);
}

bool TcxCustomDBEditDefaultValuesProvider::IsDataAvailable() {
  return field_ && field_->DataSet() && field_->DataSet()->State() != dsInactive;
}

bool TcxCustomDBEditDefaultValuesProvider::CanSetEditMode() {
  if (!dataSource_) return false;
  TDataSetState state = dataSource_->State();
  return dataSource_->AutoEdit() || state == dsEdit || state == dsInsert;
}

TAlignment TcxCustomDBEditDefaultValuesProvider::DefaultAlignment() {
  return IsDataAvailable() ? field_->Alignment() : TcxCustomEditDefaultValuesProvider::DefaultAlignment();
}

Integer TcxCustomDBEditDefaultValuesProvider::DefaultBlobKind() {
  if (!IsDataAvailable()) return 0;
  switch (field_->DataType()) {
    case ftMemo:
    case ftFmtMemo: return 3;
    case ftGraphic: return 2;
    case ftParadoxOle:
    case ftDBaseOle: return 4;
    default: return 0;
  }
}

bool TcxCustomDBEditDefaultValuesProvider::DefaultCanModify() {
  if (DefaultReadOnly() || !IsDataAvailable()) return false;
  if (field_->CanModify()) return true;
  if (!field_->Lookup()) return false;
  // A lookup field is edited through its key fields.
  std::vector<TField*> keys;
  try {
    field_->DataSet()->GetFieldList(keys, field_->KeyFields());
  } catch (const Exception&) {
    return false;
  }
  if (keys.empty()) return false;
  for (TField* key : keys)
    if (!key->CanModify()) return false;
  return true;
}

String TcxCustomDBEditDefaultValuesProvider::DefaultDisplayFormat() {
  if (IsDataAvailable())
    if (auto* f = dynamic_cast<TNumericField*>(field_)) return f->DisplayFormat();
  return TcxCustomEditDefaultValuesProvider::DefaultDisplayFormat();
}

String TcxCustomDBEditDefaultValuesProvider::DefaultEditFormat() {
  if (IsDataAvailable())
    if (auto* f = dynamic_cast<TNumericField*>(field_)) return f->EditFormat();
  return TcxCustomEditDefaultValuesProvider::DefaultEditFormat();
}

String TcxCustomDBEditDefaultValuesProvider::DefaultEditMask() {
  return IsDataAvailable() ? field_->EditMask() : TcxCustomEditDefaultValuesProvider::DefaultEditMask();
}

bool TcxCustomDBEditDefaultValuesProvider::DefaultIsFloatValue() {
  if (!IsDataAvailable()) return false;
  TFieldType t = field_->DataType();
  return t == ftFloat || t == ftCurrency || t == ftBCD;
}

Integer TcxCustomDBEditDefaultValuesProvider::DefaultMaxLength() {
  if (!IsDataAvailable()) return 0;
  TFieldType t = field_->DataType();
  return t == ftString || t == ftWideString ? field_->Size() : 0;
}

double TcxCustomDBEditDefaultValuesProvider::RangeValue(bool maximum) {
  if (!IsDataAvailable()) return 0;
  if (auto* f = dynamic_cast<TIntegerField*>(field_)) return maximum ? f->MaxValue() : f->MinValue();
  if (auto* f = dynamic_cast<TFloatField*>(field_)) {
    // Rounded to the field's significant digits, as the field shows it.
    double v = maximum ? f->MaxValue() : f->MinValue();
    return StrToFloat(FloatToStrF(v, ffGeneral, f->Precision(), 0));
  }
  if (auto* f = dynamic_cast<TBCDField*>(field_))
    return (maximum ? f->MaxValue() : f->MinValue()).ToDouble();
  return 0;
}

double TcxCustomDBEditDefaultValuesProvider::DefaultMaxValue() { return RangeValue(true); }
double TcxCustomDBEditDefaultValuesProvider::DefaultMinValue() { return RangeValue(false); }

Integer TcxCustomDBEditDefaultValuesProvider::DefaultPrecision() {
  // TFMTBCDField derives from TFloatField here, so the first test covers it.
  if (auto* f = dynamic_cast<TFloatField*>(field_)) return f->Precision();
  if (auto* f = dynamic_cast<TBCDField*>(field_)) return f->Precision();
  if (auto* f = dynamic_cast<TAggregateField*>(field_)) return f->Precision();
  return TcxCustomEditDefaultValuesProvider::DefaultPrecision();
}

bool TcxCustomDBEditDefaultValuesProvider::DefaultReadOnly() {
  return IsDataAvailable() && field_->ReadOnly();
}

bool TcxCustomDBEditDefaultValuesProvider::DefaultRequired() {
  return IsDataAvailable() && field_->Required();
}

bool TcxCustomDBEditDefaultValuesProvider::IsBlob() { return IsDataAvailable() && field_->IsBlob(); }

bool TcxCustomDBEditDefaultValuesProvider::IsCurrency() {
  if (!IsDataAvailable()) return false;
  if (auto* f = dynamic_cast<TFloatField*>(field_)) return f->Currency();
  if (auto* f = dynamic_cast<TBCDField*>(field_)) return f->Currency();
  if (auto* f = dynamic_cast<TAggregateField*>(field_)) return f->Currency();
  return false;
}

bool TcxCustomDBEditDefaultValuesProvider::IsDisplayFormatDefined(bool currencyAccepted) {
  if (!IsDataAvailable()) return false;
  if (field_->OnGetText) return true;
  bool result = false;
  if (auto* f = dynamic_cast<TFloatField*>(field_)) result = result || (f->Currency() && currencyAccepted);
  if (auto* f = dynamic_cast<TBCDField*>(field_)) result = result || (f->Currency() && currencyAccepted);
  if (auto* f = dynamic_cast<TDateTimeField*>(field_)) result = result || !f->DisplayFormat().empty();
  if (auto* f = dynamic_cast<TAggregateField*>(field_))
    result = result || !f->DisplayFormat().empty() || (f->Currency() && currencyAccepted);
  if (auto* f = dynamic_cast<TNumericField*>(field_)) result = result || !f->DisplayFormat().empty();
  return result;
}

bool TcxCustomDBEditDefaultValuesProvider::IsNonNumericDisplayFormatDefined() {
  return IsDisplayFormatDefined(false) && DefaultDisplayFormat().empty();
}

bool TcxCustomDBEditDefaultValuesProvider::IsOnSetTextAssigned() {
  return IsDataAvailable() && bool(field_->OnSetText);
}

bool TcxCustomDBEditDefaultValuesProvider::IsValidChar(char32_t c) {
  return !IsDataAvailable() || field_->IsValidChar(c);
}
