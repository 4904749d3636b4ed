// The field family: values read from and written to the data set's current record, and their
// texts.
#include <algorithm>
#include <cmath>

#include "db/DB.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

namespace {
PTypeInfo FieldKindType() {
  return EnumTypeInfo("TFieldKind", {"fkData", "fkCalculated", "fkLookup", "fkInternalCalc", "fkAggregate"});
}
}  // namespace

KORVAN_IMPLEMENT_CLASS(TFieldDef)
KORVAN_IMPLEMENT_CLASS(TFieldDefs)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TField) {
  p.Enum("Alignment", &TField::Alignment, &TField::SetAlignment, AlignmentTypeInfo()).Default(taLeftJustify);
  p.Str("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel);
  p.Int("DisplayWidth", &TField::DisplayWidth, &TField::SetDisplayWidth);
  p.Str("EditMask", &TField::EditMask, &TField::SetEditMask);
  p.Enum("FieldKind", &TField::FieldKind, &TField::SetFieldKind, FieldKindType()).Default(fkData);
  p.Str("FieldName", &TField::FieldName, &TField::SetFieldName);
  p.Str("KeyFields", &TField::KeyFields, &TField::SetKeyFields);
  p.Object("LookupDataSet", &TField::LookupDataSet, &TField::SetLookupDataSet, TDataSet::StaticClass());
  p.Str("LookupKeyFields", &TField::LookupKeyFields, &TField::SetLookupKeyFields);
  p.Str("LookupResultField", &TField::LookupResultField, &TField::SetLookupResultField);
  p.Str("Origin", &TField::Origin, &TField::SetOrigin);
  p.Bool("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly).Default(0);
  p.Bool("Required", &TField::Required, &TField::SetRequired).Default(0);
  p.Int("Size", &TField::Size, &TField::SetSize).Default(0);
  p.Bool("Visible", &TField::Visible, &TField::SetVisible).Default(1);
  p.Event("OnChange", &TField::OnChange, "TFieldNotifyEvent");
  p.Event("OnGetText", &TField::OnGetText, "TFieldGetTextEvent");
  p.Event("OnSetText", &TField::OnSetText, "TFieldSetTextEvent");
  p.Event("OnValidate", &TField::OnValidate, "TFieldNotifyEvent");
}
KORVAN_IMPLEMENT_CLASS(TStringField)
KORVAN_IMPLEMENT_CLASS(TWideStringField)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TNumericField) {
  p.Enum("Alignment", &TNumericField::Alignment, &TNumericField::SetAlignment, AlignmentTypeInfo()).Default(taRightJustify);
  p.Str("DisplayFormat", &TNumericField::DisplayFormat, &TNumericField::SetDisplayFormat);
  p.Str("EditFormat", &TNumericField::EditFormat, &TNumericField::SetEditFormat);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TIntegerField) {
  p.Int("MaxValue", &TIntegerField::MaxValue, &TIntegerField::SetMaxValue).Default(0);
  p.Int("MinValue", &TIntegerField::MinValue, &TIntegerField::SetMinValue).Default(0);
}
KORVAN_IMPLEMENT_CLASS(TSmallintField)
KORVAN_IMPLEMENT_CLASS(TWordField)
KORVAN_IMPLEMENT_CLASS(TAutoIncField)
KORVAN_IMPLEMENT_CLASS(TLargeintField)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TFloatField) {
  p.Bool("Currency", &TFloatField::Currency, &TFloatField::SetCurrency).Default(0);
  p.Float("MaxValue", &TFloatField::MaxValue, &TFloatField::SetMaxValue);
  p.Float("MinValue", &TFloatField::MinValue, &TFloatField::SetMinValue);
  p.Int("Precision", &TFloatField::Precision, &TFloatField::SetPrecision).Default(15);
}
KORVAN_IMPLEMENT_CLASS(TCurrencyField)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TBCDField) {
  p.Bool("Currency", &TBCDField::Currency, &TBCDField::SetCurrency).Default(0);
  p.Int("Precision", &TBCDField::Precision, &TBCDField::SetPrecision).Default(0);
}
KORVAN_IMPLEMENT_CLASS(TFMTBCDField)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TBooleanField) {
  p.Str("DisplayValues", &TBooleanField::DisplayValues, &TBooleanField::SetDisplayValues);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TDateTimeField) {
  p.Str("DisplayFormat", &TDateTimeField::DisplayFormat, &TDateTimeField::SetDisplayFormat);
}
KORVAN_IMPLEMENT_CLASS(TDateField)
KORVAN_IMPLEMENT_CLASS(TTimeField)
KORVAN_IMPLEMENT_CLASS(TBlobField)
KORVAN_IMPLEMENT_CLASS(TMemoField)
KORVAN_IMPLEMENT_CLASS(TGraphicField)
KORVAN_IMPLEMENT_CLASS(TVariantField)
KORVAN_IMPLEMENT_CLASS(TAggregateField)
KORVAN_IMPLEMENT_CLASS(TFields)

// Registers the data-access classes by name, for form descriptions.
void InitializeDB() {
  InitUnit("DB", [] {
    for (TClass c : {TDataSource::StaticClass(), TStringField::StaticClass(), TWideStringField::StaticClass(),
                     TSmallintField::StaticClass(), TIntegerField::StaticClass(), TWordField::StaticClass(),
                     TAutoIncField::StaticClass(), TLargeintField::StaticClass(), TFloatField::StaticClass(),
                     TCurrencyField::StaticClass(), TBCDField::StaticClass(), TFMTBCDField::StaticClass(),
                     TBooleanField::StaticClass(), TDateTimeField::StaticClass(), TDateField::StaticClass(),
                     TTimeField::StaticClass(), TBlobField::StaticClass(), TMemoField::StaticClass(),
                     TGraphicField::StaticClass(), TVariantField::StaticClass(), TAggregateField::StaticClass()})
      RegisterClass(c);
  });
}

namespace {
const char* const kFieldTypeNames[] = {
    "Unknown", "String", "SmallInt", "Integer", "Word", "Boolean", "Float", "Currency", "BCD",
    "Date", "Time", "DateTime", "Bytes", "VarBytes", "AutoInc", "Blob", "Memo", "Graphic",
    "FmtMemo", "ParadoxOle", "DBaseOle", "TypedBinary", "Cursor", "FixedChar", "WideString",
    "Largeint", "ADT", "Array", "Reference", "DataSet", "OraBlob", "OraClob", "Variant",
    "Interface", "IDispatch", "Guid", "TimeStamp", "FMTBcd"};
}  // namespace

String FieldTypeName(TFieldType type) {
  int i = int(type);
  if (i < 0 || i >= int(std::size(kFieldTypeNames))) return "Unknown";
  return kFieldTypeNames[i];
}

[[noreturn]] void DatabaseError(const String& message, const TComponent* component) {
  if (component != nullptr && !component->Name().empty())
    throw EDatabaseError(component->Name() + ": " + message);
  throw EDatabaseError(message);
}

std::vector<String> SplitFieldNames(const String& names) {
  std::vector<String> result;
  if (names.empty()) return result;
  std::size_t start = 0;
  for (;;) {
    std::size_t p = names.find(';', start);
    result.push_back(Trim(names.substr(start, p == String::npos ? String::npos : p - start)));
    if (p == String::npos) break;
    start = p + 1;
  }
  return result;
}

// ---------------------------------------------------------------------------------------------
// Field definitions

TClass DefaultFieldClass(TFieldType type) {
  switch (type) {
    case ftString: case ftFixedChar: case ftGuid: return TStringField::StaticClass();
    case ftWideString: return TWideStringField::StaticClass();
    case ftSmallint: return TSmallintField::StaticClass();
    case ftInteger: return TIntegerField::StaticClass();
    case ftWord: return TWordField::StaticClass();
    case ftAutoInc: return TAutoIncField::StaticClass();
    case ftLargeint: return TLargeintField::StaticClass();
    case ftBoolean: return TBooleanField::StaticClass();
    case ftFloat: return TFloatField::StaticClass();
    case ftCurrency: return TCurrencyField::StaticClass();
    case ftBCD: return TBCDField::StaticClass();
    case ftFMTBcd: return TFMTBCDField::StaticClass();
    case ftDate: return TDateField::StaticClass();
    case ftTime: return TTimeField::StaticClass();
    case ftDateTime: case ftTimeStamp: return TDateTimeField::StaticClass();
    case ftBlob: case ftBytes: case ftVarBytes: case ftTypedBinary: case ftOraBlob:
      return TBlobField::StaticClass();
    case ftMemo: case ftFmtMemo: case ftOraClob: return TMemoField::StaticClass();
    case ftGraphic: return TGraphicField::StaticClass();
    case ftVariant: return TVariantField::StaticClass();
    default: return nullptr;
  }
}

TClass TFieldDef::FieldClass() const { return DefaultFieldClass(type_); }

TFieldDef* TFieldDefs::Add(const String& name, TFieldType type, Integer size, bool required) {
  if (IndexOf(name) >= 0) throw EDatabaseError("Duplicate field name '" + name + "'");
  items_.push_back(std::make_unique<TFieldDef>(name, type, size, required, Count() + 1));
  return items_.back().get();
}

TFieldDef* TFieldDefs::Items(Integer index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return items_[std::size_t(index)].get();
}

Integer TFieldDefs::IndexOf(const String& name) const {
  for (Integer i = 0; i < Count(); ++i)
    if (AnsiSameText(items_[std::size_t(i)]->Name(), name)) return i;
  return -1;
}

TFieldDef* TFieldDefs::Find(const String& name) const {
  Integer i = IndexOf(name);
  if (i < 0) throw EDatabaseError("Field '" + name + "' not found");
  return items_[std::size_t(i)].get();
}

// ---------------------------------------------------------------------------------------------
// TFields

TField* TFields::Fields(Integer index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return items_[std::size_t(index)];
}

TField* TFields::FindField(const String& name) const {
  // A few fields are compared directly; more go through the index, so that looking up every
  // field of a wide data set stays linear.
  constexpr std::size_t kIndexFrom = 8;
  if (items_.size() < kIndexFrom) {
    for (TField* f : items_)
      if (AnsiSameText(f->FieldName(), name)) return f;
    return nullptr;
  }
  String locale = CollationLocale();
  if (!indexed_ || indexLocale_ != locale) {
    index_.clear();
    exactIndex_.clear();
    for (Integer i = 0; i < Count(); ++i) {
      const String& fieldName = items_[std::size_t(i)]->FieldName();
      Integer first = index_.emplace(AnsiTextKey(fieldName), i).first->second;
      exactIndex_.emplace(fieldName, first);
    }
    indexLocale_ = locale;
    indexed_ = true;
  }
  // A name spelt as a field's is answered without making its collation key.
  if (auto exact = exactIndex_.find(name); exact != exactIndex_.end()) return items_[std::size_t(exact->second)];
  auto it = index_.find(AnsiTextKey(name));
  return it == index_.end() ? nullptr : items_[std::size_t(it->second)];
}

TField* TFields::FieldByName(const String& name) const {
  TField* f = FindField(name);
  if (f == nullptr) DatabaseError("Field '" + name + "' not found", dataSet_);
  return f;
}

TField* TFields::FieldByNumber(Integer fieldNo) const {
  for (TField* f : items_)
    if (f->FieldNo() == fieldNo) return f;
  return nullptr;
}

Integer TFields::IndexOf(TField* f) const {
  auto it = std::find(items_.begin(), items_.end(), f);
  return it == items_.end() ? -1 : Integer(it - items_.begin());
}

void TFields::GetFieldNames(std::vector<String>& names) const {
  names.clear();
  for (TField* f : items_) names.push_back(f->FieldName());
}

void TFields::Remove(TField* f) {
  auto it = std::find(items_.begin(), items_.end(), f);
  if (it != items_.end()) items_.erase(it);
  indexed_ = false;
}

// ---------------------------------------------------------------------------------------------
// TField

TField::TField(TComponent* owner) : TComponent(owner) {}

TField::~TField() {
  if (dataSet_ != nullptr) dataSet_->fields_->Remove(this);
}

void TField::Notification(TComponent* c, TOperation operation) {
  TComponent::Notification(c, operation);
  if (operation == opRemove && c == lookupDataSet_) lookupDataSet_ = nullptr;
}

void TField::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_ != nullptr && dataSet_->Active()) DatabaseError("Cannot perform this operation on an open dataset", dataSet_);
  if (dataSet != nullptr && dataSet->Active()) DatabaseError("Cannot perform this operation on an open dataset", dataSet);
  if (dataSet_ != nullptr) {
    dataSet_->fields_->Remove(this);
    dataSet_->DataEvent(deFieldListChange, 0);
  }
  dataSet_ = dataSet;
  if (dataSet_ != nullptr) {
    if (!fieldName_.empty() && dataSet_->FindField(fieldName_) != nullptr)
      DatabaseError("Duplicate field name '" + fieldName_ + "'", dataSet_);
    dataSet_->fields_->Add(this);
    dataSet_->DataEvent(deFieldListChange, 0);
  }
}

void TField::SetFieldName(const String& name) {
  if (dataSet_ != nullptr && dataSet_->Active()) DatabaseError("Cannot perform this operation on an open dataset", dataSet_);
  if (dataSet_ != nullptr) {
    TField* other = dataSet_->FindField(name);
    if (other != nullptr && other != this) DatabaseError("Duplicate field name '" + name + "'", dataSet_);
  }
  fieldName_ = name;
  if (dataSet_ != nullptr) dataSet_->fields_->NameChanged();
}

Integer TField::Index() const { return dataSet_ ? dataSet_->fields_->IndexOf(const_cast<TField*>(this)) : -1; }

void TField::SetFieldKind(TFieldKind kind) {
  if (dataSet_ != nullptr && dataSet_->Active()) DatabaseError("Cannot perform this operation on an open dataset", dataSet_);
  fieldKind_ = kind;
}

void TField::SetSize(Integer v) {
  if (dataSet_ != nullptr && dataSet_->Active()) DatabaseError("Cannot perform this operation on an open dataset", dataSet_);
  size_ = v;
}

void TField::SetLookupDataSet(TDataSet* v) {
  if (v == dataSet_ && v != nullptr) DatabaseError("Circular datalinks are not allowed", this);
  lookupDataSet_ = v;
  if (v) v->FreeNotification(this);
}

void TField::PropertyChanged(bool layoutAffected) {
  if (dataSet_ != nullptr && dataSet_->Active())
    dataSet_->DataEvent(layoutAffected ? deLayoutChange : deDataSetChange, 0);
}

Variant TField::RawValue() const {
  Variant v;
  if (dataSet_ == nullptr || !dataSet_->GetFieldValue(this, v)) return Null();
  return v;
}

bool TField::IsNull() const {
  Variant v = RawValue();
  return VarIsNull(v) || VarIsEmpty(v);
}

Variant TField::Value() const {
  Variant v = RawValue();
  if (VarIsNull(v) || VarIsEmpty(v)) return Null();
  return ConvertValue(v);
}

bool TField::CanModify() const {
  if (readOnly_ || dataSet_ == nullptr) return false;
  if (fieldKind_ == fkLookup) return false;
  if (fieldKind_ == fkCalculated) return dataSet_->State() == dsCalcFields;
  return dataSet_->CanModify();
}

void TField::SetValue(const Variant& v) {
  if (dataSet_ == nullptr) DatabaseError("Field '" + DisplayName() + "' has no dataset", this);
  Variant value = (VarIsNull(v) || VarIsEmpty(v)) ? Null() : ConvertValue(v);
  dataSet_->SetFieldValue(this, value);
}

String TField::AsString() const {
  Variant v = Value();
  return VarIsNull(v) ? String() : VarToStr(v);
}
void TField::SetAsString(const String& v) { SetValue(v.empty() ? Null() : Variant(v)); }
Integer TField::AsInteger() const { Variant v = Value(); return VarIsNull(v) ? 0 : v.AsInteger(); }
void TField::SetAsInteger(Integer v) { SetValue(Variant(v)); }
Int64 TField::AsLargeInt() const { Variant v = Value(); return VarIsNull(v) ? 0 : v.AsInt64(); }
void TField::SetAsLargeInt(Int64 v) { SetValue(Variant(v)); }
double TField::AsFloat() const { Variant v = Value(); return VarIsNull(v) ? 0.0 : v.AsDouble(); }
void TField::SetAsFloat(double v) { SetValue(Variant(v)); }
Currency TField::AsCurrency() const { Variant v = Value(); return VarIsNull(v) ? Currency() : v.AsCurrency(); }
void TField::SetAsCurrency(Currency v) { SetValue(Variant(v)); }
bool TField::AsBoolean() const { Variant v = Value(); return VarIsNull(v) ? false : v.AsBoolean(); }
void TField::SetAsBoolean(bool v) { SetValue(Variant(v)); }
TDateTime TField::AsDateTime() const { Variant v = Value(); return VarIsNull(v) ? 0.0 : v.AsDateTime(); }
void TField::SetAsDateTime(TDateTime v) { SetValue(VarFromDateTime(v)); }

String TField::GetText(const Variant& value, bool) const { return VarToStr(value); }

String TField::GetTextWith(bool displayText) const {
  String text;
  if (OnGetText) {
    OnGetText(const_cast<TField*>(this), text, displayText);
    return text;
  }
  Variant v = Value();
  if (VarIsNull(v)) return String();
  return GetText(v, displayText);
}

void TField::SetText(const String& text) {
  if (OnSetText) OnSetText(this, text);
  else SetAsString(text);
}

void TField::FocusControl() {
  if (dataSet_ == nullptr || !dataSet_->Active()) return;
  TField* f = this;
  dataSet_->DataEvent(deFocusControl, NativeInt(&f));
}

// ---------------------------------------------------------------------------------------------
// Strings

TStringField::TStringField(TComponent* owner) : TField(owner) {
  SetDataType(ftString);
  size_ = 20;
}

Variant TStringField::ConvertValue(const Variant& v) const {
  if (VarIsStr(v)) return v;
  return Variant(VarToStr(v));
}

TWideStringField::TWideStringField(TComponent* owner) : TStringField(owner) { SetDataType(ftWideString); }

// ---------------------------------------------------------------------------------------------
// Numbers

TNumericField::TNumericField(TComponent* owner) : TField(owner) { alignment_ = taRightJustify; }

namespace {
String FormatNumber(const TNumericField* f, double value, bool displayText, const String& fallback) {
  const String& pattern = displayText || f->EditFormat().empty() ? f->DisplayFormat() : f->EditFormat();
  if (pattern.empty()) return fallback;
  return FormatFloat(pattern, value);
}

Variant ToNumber(const Variant& v) {
  if (VarIsStr(v)) {
    String s = Trim(v.StrRef());
    Int64 i;
    if (TryStrToInt64(s, i)) return Variant(i);
    double d;
    if (TryStrToFloat(s, d)) return Variant(d);
    throw EConvertError("'" + v.StrRef() + "' is not a valid number");
  }
  return v;
}

Integer CheckedInteger(const Variant& v, Int64 lo, Int64 hi, const TField* f) {
  Variant n = ToNumber(v);
  double d = n.AsDouble();
  if (std::fabs(d - std::round(d)) > 0) {
    // A fractional value rounds as the platform's conversion does.
    d = std::nearbyint(d);
  }
  if (d < double(lo) || d > double(hi))
    DatabaseError(FloatToStr(d) + " is not a valid value for field '" + f->DisplayName() + "'. The allowed range is " +
                  IntToStr(lo) + " to " + IntToStr(hi));
  return Integer(d);
}
}  // namespace

TIntegerField::TIntegerField(TComponent* owner) : TNumericField(owner) {
  SetDataType(ftInteger);
  size_ = 0;
}

Variant TIntegerField::ConvertValue(const Variant& v) const {
  if (VarType(v) == varInteger) return v;
  return Variant(CheckedInteger(v, INT32_MIN, INT32_MAX, this));
}

String TIntegerField::GetText(const Variant& value, bool displayText) const {
  Integer i = value.AsInteger();
  return FormatNumber(this, double(i), displayText, IntToStr(i));
}

void TIntegerField::SetAsString(const String& v) {
  String s = Trim(v);
  if (s.empty()) { Clear(); return; }
  Integer i;
  if (!TryStrToInt(s, i)) DatabaseError("'" + v + "' is not a valid integer value for field '" + DisplayName() + "'");
  SetValue(Variant(i));
}

TSmallintField::TSmallintField(TComponent* owner) : TIntegerField(owner) { SetDataType(ftSmallint); }
Variant TSmallintField::ConvertValue(const Variant& v) const {
  return Variant(CheckedInteger(v, -32768, 32767, this));
}

TWordField::TWordField(TComponent* owner) : TIntegerField(owner) { SetDataType(ftWord); }
Variant TWordField::ConvertValue(const Variant& v) const { return Variant(CheckedInteger(v, 0, 65535, this)); }

TAutoIncField::TAutoIncField(TComponent* owner) : TIntegerField(owner) { SetDataType(ftAutoInc); }

TLargeintField::TLargeintField(TComponent* owner) : TNumericField(owner) { SetDataType(ftLargeint); }

Variant TLargeintField::ConvertValue(const Variant& v) const {
  if (VarType(v) == varInt64) return v;
  return Variant(ToNumber(v).AsInt64());
}

String TLargeintField::GetText(const Variant& value, bool displayText) const {
  Int64 i = value.AsInt64();
  return FormatNumber(this, double(i), displayText, IntToStr(i));
}

void TLargeintField::SetAsString(const String& v) {
  String s = Trim(v);
  if (s.empty()) { Clear(); return; }
  Int64 i;
  if (!TryStrToInt64(s, i)) DatabaseError("'" + v + "' is not a valid integer value for field '" + DisplayName() + "'");
  SetValue(Variant(i));
}

TFloatField::TFloatField(TComponent* owner) : TNumericField(owner) { SetDataType(ftFloat); }

Variant TFloatField::ConvertValue(const Variant& v) const {
  if (VarType(v) == varDouble) return v;
  return Variant(ToNumber(v).AsDouble());
}

String TFloatField::GetText(const Variant& value, bool displayText) const {
  double d = value.AsDouble();
  String fallback;
  if (currency_) fallback = FloatToStrF(d, displayText ? ffCurrency : ffFixed, precision_, FormatSettings.CurrencyDecimals);
  else fallback = FloatToStrF(d, ffGeneral, precision_, 0);
  return FormatNumber(this, d, displayText, fallback);
}

void TFloatField::SetAsString(const String& v) {
  String s = Trim(v);
  if (s.empty()) { Clear(); return; }
  double d;
  if (!TryStrToFloat(s, d)) DatabaseError("'" + v + "' is not a valid floating point value for field '" + DisplayName() + "'");
  SetValue(Variant(d));
}

TCurrencyField::TCurrencyField(TComponent* owner) : TFloatField(owner) {
  SetDataType(ftCurrency);
  currency_ = true;
}

TBCDField::TBCDField(TComponent* owner) : TNumericField(owner) {
  SetDataType(ftBCD);
  size_ = 4;
}

Variant TBCDField::ConvertValue(const Variant& v) const {
  if (VarType(v) == varCurrency) return v;
  return Variant(ToNumber(v).AsCurrency());
}

String TBCDField::GetText(const Variant& value, bool displayText) const {
  ::Currency c = value.AsCurrency();
  String fallback = displayText && currency_ ? CurrToStrF(c, ffCurrency, FormatSettings.CurrencyDecimals) : CurrToStr(c);
  const String& pattern = displayText || EditFormat().empty() ? DisplayFormat() : EditFormat();
  return pattern.empty() ? fallback : FormatCurr(pattern, c);
}

void TBCDField::SetAsString(const String& v) {
  String s = Trim(v);
  if (s.empty()) { Clear(); return; }
  ::Currency c;
  if (!TryStrToCurr(s, c)) DatabaseError("'" + v + "' is not a valid BCD value for field '" + DisplayName() + "'");
  SetValue(Variant(c));
}

TFMTBCDField::TFMTBCDField(TComponent* owner) : TFloatField(owner) { SetDataType(ftFMTBcd); }

// ---------------------------------------------------------------------------------------------
// Booleans

TBooleanField::TBooleanField(TComponent* owner) : TField(owner) { SetDataType(ftBoolean); }

void TBooleanField::SetDisplayValues(const String& v) {
  std::size_t p = v.find(';');
  if (p == String::npos) {
    trueText_ = v;
    falseText_.clear();
  } else {
    trueText_ = v.substr(0, p);
    falseText_ = v.substr(p + 1);
  }
  if (trueText_.empty() && falseText_.empty()) DatabaseError("'" + v + "' is not a valid value for the display values");
  displayValues_ = v;
  PropertyChanged(true);
}

Variant TBooleanField::ConvertValue(const Variant& v) const {
  if (VarType(v) == varBoolean) return v;
  if (VarIsStr(v)) {
    String s = Trim(v.StrRef());
    if (AnsiSameText(s, trueText_)) return Variant(true);
    if (AnsiSameText(s, falseText_)) return Variant(false);
  }
  return Variant(v.AsBoolean());
}

String TBooleanField::GetText(const Variant& value, bool) const { return value.AsBoolean() ? trueText_ : falseText_; }

Integer TBooleanField::GetDefaultWidth() const {
  return Integer(std::max(CharCount(trueText_), CharCount(falseText_)));
}

void TBooleanField::SetAsString(const String& v) {
  String s = Trim(v);
  if (s.empty()) { Clear(); return; }
  // A prefix of either text is enough, as users type.
  auto prefix = [&](const String& full) {
    return !full.empty() && s.size() <= full.size() && AnsiSameText(full.substr(0, s.size()), s);
  };
  if (prefix(trueText_)) SetValue(Variant(true));
  else if (prefix(falseText_)) SetValue(Variant(false));
  else DatabaseError("'" + v + "' is not a valid boolean value for field '" + DisplayName() + "'");
}

// ---------------------------------------------------------------------------------------------
// Dates and times

TDateTimeField::TDateTimeField(TComponent* owner) : TField(owner) { SetDataType(ftDateTime); }

Variant TDateTimeField::ConvertValue(const Variant& v) const {
  if (VarType(v) == varDate) return v;
  return VarFromDateTime(VarToDateTime(v));
}

String TDateTimeField::DefaultFormat() const { return "c"; }

String TDateTimeField::GetText(const Variant& value, bool displayText) const {
  String pattern = displayText && !displayFormat_.empty() ? displayFormat_ : DefaultFormat();
  return FormatDateTime(pattern, value.AsDateTime());
}

void TDateTimeField::SetAsString(const String& v) {
  String s = Trim(v);
  if (s.empty()) { Clear(); return; }
  TDateTime d;
  bool ok = DataType() == ftDate ? TryStrToDate(s, d) : DataType() == ftTime ? TryStrToTime(s, d) : TryStrToDateTime(s, d);
  if (!ok) DatabaseError("'" + v + "' is not a valid date and time for field '" + DisplayName() + "'");
  SetValue(VarFromDateTime(d));
}

TDateField::TDateField(TComponent* owner) : TDateTimeField(owner) { SetDataType(ftDate); }
String TDateField::DefaultFormat() const { return FormatSettings.ShortDateFormat; }

TTimeField::TTimeField(TComponent* owner) : TDateTimeField(owner) { SetDataType(ftTime); }
String TTimeField::DefaultFormat() const { return FormatSettings.LongTimeFormat; }

// ---------------------------------------------------------------------------------------------
// BLOBs and others

TBlobField::TBlobField(TComponent* owner) : TField(owner) { SetDataType(ftBlob); }

Variant TBlobField::ConvertValue(const Variant& v) const {
  if (VarIsStr(v)) return v;
  return Variant(VarToStr(v));
}

// The texts of a BLOB name its type in capitals ("(MEMO)"); the content is read through
// AsString or Value.
String TBlobField::GetText(const Variant&, bool) const { return "(" + UpperCase(FieldTypeName(DataType())) + ")"; }

TMemoField::TMemoField(TComponent* owner) : TBlobField(owner) { SetDataType(ftMemo); }
TGraphicField::TGraphicField(TComponent* owner) : TBlobField(owner) { SetDataType(ftGraphic); }
TVariantField::TVariantField(TComponent* owner) : TField(owner) { SetDataType(ftVariant); }
TAggregateField::TAggregateField(TComponent* owner) : TField(owner) {
  SetDataType(ftUnknown);
  SetFieldKind(fkAggregate);
}

// ---- typed characters -----------------------------------------------------------------------

namespace {
bool IsSignOrDigit(char32_t c) { return c == U'+' || c == U'-' || (c >= U'0' && c <= U'9'); }
}  // namespace

bool TNumericField::IsValidChar(char32_t c) const { return IsSignOrDigit(c); }

bool TFloatField::IsValidChar(char32_t c) const {
  return IsSignOrDigit(c) || c == static_cast<char32_t>(FormatSettings.DecimalSeparator) ||
         c == U'E' || c == U'e';
}

bool TBCDField::IsValidChar(char32_t c) const {
  return IsSignOrDigit(c) || c == static_cast<char32_t>(FormatSettings.DecimalSeparator);
}
