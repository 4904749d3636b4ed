// The text kind's properties.
#include <algorithm>
#include <cmath>

#include "data/cxVariants.h"
#include "editors/cxTextEdit.h"
#include "foundation/cxContainer.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

namespace {
using TTextProps = TcxCustomTextEditProperties;
TTextProps* Mutable(const TTextProps* p) { return const_cast<TTextProps*>(p); }
}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxTextEditPropertiesValues) {
  p.Bool("DisplayFormat", &TcxTextEditPropertiesValues::DisplayFormat,
         &TcxTextEditPropertiesValues::SetDisplayFormat)
      .Stored(&TcxTextEditPropertiesValues::IsDisplayFormatStored);
  p.Bool("EditFormat", &TcxTextEditPropertiesValues::EditFormat,
         &TcxTextEditPropertiesValues::SetEditFormat)
      .Stored(&TcxTextEditPropertiesValues::IsEditFormatStored);
  p.Bool("MaxLength", &TcxTextEditPropertiesValues::MaxLength,
         &TcxTextEditPropertiesValues::SetMaxLength)
      .Stored(false);
  p.Bool("MaxValue", &TcxTextEditPropertiesValues::MaxValue,
         &TcxTextEditPropertiesValues::SetMaxValue)
      .Stored(&TcxTextEditPropertiesValues::IsMaxValueStored);
  p.Bool("MinValue", &TcxTextEditPropertiesValues::MinValue,
         &TcxTextEditPropertiesValues::SetMinValue)
      .Stored(&TcxTextEditPropertiesValues::IsMinValueStored);
}
KORVAN_IMPLEMENT_CLASS(TcxCustomTextEditProperties)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxTextEditProperties) {
  p.Object("Alignment", [](const TTextProps* o) { return Mutable(o)->Alignment(); },
           &TTextProps::SetAlignment, TcxEditAlignment::StaticClass())
      .Stored(&TTextProps::IsAlignmentStored);
  p.Object("AssignedValues", &TTextProps::AssignedValues, &TcxTextEditProperties::SetTextAssignedValues,
           TcxTextEditPropertiesValues::StaticClass());
  p.Bool("AutoSelect", &TTextProps::AutoSelect, &TTextProps::SetAutoSelect).Default(true);
  p.Bool("BeepOnError", &TTextProps::BeepOnError, &TTextProps::SetBeepOnError).Default(false);
  p.Enum("CharCase", &TTextProps::CharCase, &TTextProps::SetCharCase, EditCharCaseTypeInfo()).Default(ecNormal);
  p.Int("ClearKey", &TTextProps::ClearKey, &TTextProps::SetClearKey).Default(0);
  p.Enum("EchoMode", &TTextProps::EchoMode, &TTextProps::SetEchoMode, EditEchoModeTypeInfo()).Default(eemNormal);
  p.Bool("HideSelection", &TTextProps::HideSelection, &TTextProps::SetHideSelection).Default(true);
  p.Bool("IncrementalSearch", &TTextProps::IncrementalSearch, &TTextProps::SetIncrementalSearch)
      .Default(true);
  p.Object("LookupItems", [](const TTextProps* o) { return o->LookupItems(); }, &TTextProps::SetLookupItems,
           TStringList::StaticClass());
  p.Bool("LookupItemsSorted", &TTextProps::LookupItemsSorted, &TTextProps::SetLookupItemsSorted)
      .Default(false);
  p.Int("MaxLength", [](const TTextProps* o) { return Mutable(o)->MaxLength(); },
        &TTextProps::SetMaxLength)
      .NoDefault()
      .Stored(&TTextProps::IsMaxLengthStored);
  p.Bool("OEMConvert", &TTextProps::OEMConvert, &TTextProps::SetOEMConvert).Default(false);
  p.Int("PasswordChar", &TTextProps::PasswordChar, &TTextProps::SetPasswordChar).Default(0);
  p.Bool("ReadOnly", [](const TTextProps* o) { return Mutable(o)->ReadOnly(); }, &TTextProps::SetReadOnly)
      .NoDefault()
      .Stored(&TTextProps::IsReadOnlyStored);
  p.Bool("ValidateOnEnter", &TTextProps::ValidateOnEnter, &TTextProps::SetValidateOnEnter)
      .Default(false);
}

namespace {

const TcxResourceStringRec cxSEditValueOutOfBounds = {"cxSEditValueOutOfBounds",
                                                      "Value out of bounds"};
const TcxResourceStringRec cxSEditNumericValueConvertError = {
    "cxSEditNumericValueConvertError", "Could not convert to numeric value"};

}  // namespace

// ---- assigned values --------------------------------------------------------------------------------

void TcxTextEditPropertiesValues::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TcxTextEditPropertiesValues*>(source);
  BeginPropertiesUpdate();
  if (other) {
    SetDisplayFormat(other->displayFormat_);
    SetEditFormat(other->editFormat_);
    SetMaxLength(other->maxLength_);
    SetMaxValue(other->maxValue_);
    SetMinValue(other->minValue_);
  }
  TcxCustomEditPropertiesValues::Assign(source);
  EndPropertiesUpdate();
}

void TcxTextEditPropertiesValues::RestoreDefaults() {
  BeginPropertiesUpdate();
  SetDisplayFormat(false);
  SetEditFormat(false);
  SetMaxLength(false);
  SetMaxValue(false);
  SetMinValue(false);
  TcxCustomEditPropertiesValues::RestoreDefaults();
  EndPropertiesUpdate();
}

void TcxTextEditPropertiesValues::SetMaxLength(bool v) {
  if (maxLength_ == v) return;
  maxLength_ = v;
  if (auto* p = dynamic_cast<TcxCustomTextEditProperties*>(Properties())) p->MaxLengthChanged();
}

bool TcxTextEditPropertiesValues::IsDisplayFormatStored() const {
  auto* p = dynamic_cast<TcxCustomTextEditProperties*>(Properties());
  return displayFormat_ && p && p->DisplayFormat().empty() && OwnerHasProperty("DisplayFormat");
}
bool TcxTextEditPropertiesValues::IsEditFormatStored() const {
  auto* p = dynamic_cast<TcxCustomTextEditProperties*>(Properties());
  return editFormat_ && p && p->EditFormat().empty() && OwnerHasProperty("EditFormat");
}
bool TcxTextEditPropertiesValues::IsMaxValueStored() const {
  auto* p = dynamic_cast<TcxCustomTextEditProperties*>(Properties());
  return maxValue_ && p && p->MaxValue() == 0 && OwnerHasProperty("MaxValue");
}
bool TcxTextEditPropertiesValues::IsMinValueStored() const {
  auto* p = dynamic_cast<TcxCustomTextEditProperties*>(Properties());
  return minValue_ && p && p->MinValue() == 0 && OwnerHasProperty("MinValue");
}

// ---- unit routines ----------------------------------------------------------------------------------

void ApplyCharCase(String& text, TEditCharCase char_case) {
  if (char_case == ecUpperCase) text = AnsiUpperCase(text);
  else if (char_case == ecLowerCase) text = AnsiLowerCase(text);
}

bool IsDigitChar(char32_t c) { return c >= '0' && c <= '9'; }

String ExtractExponent(String& text) {
  const size_t at = text.find_first_of("eE");
  if (at == String::npos) return "";
  String exponent = text.substr(at);
  text.erase(at);
  return exponent;
}

void RemoveThousandSeparators(String& text) {
  const char sep = FormatSettings.ThousandSeparator;
  if (sep) text.erase(std::remove(text.begin(), text.end(), sep), text.end());
}

void AddThousandSeparators(String& text) {
  const char sep = FormatSettings.ThousandSeparator;
  if (!sep) return;
  const String right_trimmed = TrimRight(text);
  const String trailing = text.substr(right_trimmed.size());
  const String trimmed = Trim(right_trimmed);
  const String leading = right_trimmed.substr(0, right_trimmed.size() - trimmed.size());
  String number = trimmed;
  const String exponent = ExtractExponent(number);
  RemoveThousandSeparators(number);
  const size_t dec = number.find(FormatSettings.DecimalSeparator);
  // p: the 1-based position of the last digit of the integer part.
  Integer p = Integer(dec == String::npos ? number.size() : dec);
  Integer counter = 0;
  while (p > 1 && IsDigitChar(char32_t(number[size_t(p - 2)]))) {
    if (counter == 2) {
      number.insert(size_t(p - 1), 1, sep);
      counter = 0;
    } else {
      ++counter;
    }
    --p;
  }
  text = leading + number + exponent + trailing;
}

// ---- properties -------------------------------------------------------------------------------------

// Stores a value whose assignment a flag carries; False when nothing changed.
template <class T>
bool TcxCustomTextEditProperties::SetAssignedValue(T& field, const T& value,
                                                   bool (TcxTextEditPropertiesValues::*flag)() const,
                                                   void (TcxTextEditPropertiesValues::*mark)(bool)) {
  if ((AssignedValues()->*flag)() && field == value) return false;
  field = value;
  BeginUpdate();
  (AssignedValues()->*mark)(true);
  EndUpdate(false);
  return true;
}

TcxCustomTextEditProperties::TcxCustomTextEditProperties(TPersistent* owner)
    : TcxCustomEditProperties(owner) {
  SetAssignedValuesObject(new TcxTextEditPropertiesValues(this));
  lookupItems_ = std::make_unique<TStringList>();
  lookupItems_->OnChange = [this](TObject*) { NotifyPropertiesChanged(); };
  GlobalFormatController()->RegisterListener(this);
}

TcxCustomTextEditProperties::~TcxCustomTextEditProperties() {
  if (auto* fc = GlobalFormatController()) fc->UnregisterListener(this);
  lookupItems_->OnChange = nullptr;
}

void TcxCustomTextEditProperties::SetHighlightFixedListMatch(bool v) {
  if (highlightFixedListMatch_ == v) return;
  highlightFixedListMatch_ = v;
  if (GetEditingStyle() == tesListOnly) NotifyPropertiesChanged();
}

void TcxCustomTextEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomTextEditProperties*>(source);
  if (!s) {
    TcxCustomEditProperties::Assign(source);
    return;
  }
  ChangeInUpdate([&] {
    TcxCustomEditProperties::Assign(source);
    SetCharCase(s->charCase_);
    SetEchoMode(s->echoMode_);
    SetHighlightFixedListMatch(s->highlightFixedListMatch_);
    SetHideCursor(s->hideCursor_);
    SetHideSelection(s->hideSelection_);
    immediateUpdateText_ = s->immediateUpdateText_;
    SetIncrementalSearch(s->incrementalSearch_);
    SetIsMRUList(s->isMRUList_);
    extraValidChars_ = s->extraValidChars_;
    lookupItems_->SetSorted(false);
    lookupItems_->Assign(s->lookupItems_.get());
    lookupItems_->SetSorted(s->lookupItems_->Sorted());
    AssignedValues()->SetDisplayFormat(false);
    if (s->AssignedValues()->DisplayFormat()) SetDisplayFormat(s->displayFormat_);
    AssignedValues()->SetEditFormat(false);
    if (s->AssignedValues()->EditFormat()) SetEditFormat(s->editFormat_);
    AssignedValues()->SetMaxLength(false);
    if (s->AssignedValues()->MaxLength()) SetMaxLength(s->maxLength_);
    AssignedValues()->SetMaxValue(false);
    if (s->AssignedValues()->MaxValue()) SetMaxValue(s->maxValue_);
    AssignedValues()->SetMinValue(false);
    if (s->AssignedValues()->MinValue()) SetMinValue(s->minValue_);
    SetOEMConvert(s->oemConvert_);
    SetPasswordChar(s->passwordChar_);
    SetUseDisplayFormatWhenEditing(s->useDisplayFormatWhenEditing_);
    OnNewLookupDisplayText = s->OnNewLookupDisplayText;
  });
}

void TcxCustomTextEditProperties::FormatChanged() {
  inFormatChange_ = true;
  try {
    NotifyPropertiesChanged();
  } catch (...) {
    inFormatChange_ = false;
    throw;
  }
  inFormatChange_ = false;
}

void TcxCustomTextEditProperties::AlignmentChanged() {
  BeginUpdate();
  TcxCustomEditProperties::AlignmentChanged();
  EndUpdate(true);
}

void TcxCustomTextEditProperties::AssignAlignment(TcxEditAlignment* value) {
  BeginUpdate();
  TcxCustomEditProperties::AssignAlignment(value);
  EndUpdate(true);
}

String TcxCustomTextEditProperties::GetDefaultErrorText(Integer index) {
  if (index == 1) return LoadReplaceableResString(cxSEditValueOutOfBounds);
  return TcxCustomEditProperties::GetDefaultErrorText(index);
}

bool TcxCustomTextEditProperties::MatchesLookupItem(const String& text) {
  for (Integer i = 0; i < lookupItems_->Count(); ++i)
    if (StringsEqual(lookupItems_->Strings(i), text, false)) return true;
  return false;
}

Integer TcxCustomTextEditProperties::ProviderMaxLength() {
  return DefaultValuesProvider() ? DefaultValuesProvider()->DefaultMaxLength() : 0;
}

void TcxCustomTextEditProperties::SetCharCase(TEditCharCase v) { SetAndNotify(charCase_, v); }

String TcxCustomTextEditProperties::DisplayFormat() {
  if (AssignedValues()->DisplayFormat()) return displayFormat_;
  if (auto* provider = DefaultValuesProvider()) {
    const String f = provider->DefaultDisplayFormat();
    if (!f.empty()) return f;
  }
  String builtin;
  GetBuiltInDisplayFormat(builtin);
  return builtin;
}

void TcxCustomTextEditProperties::SetDisplayFormat(const String& v) {
  if (!SetAssignedValue(displayFormat_, v, &TcxTextEditPropertiesValues::DisplayFormat,
                        &TcxTextEditPropertiesValues::SetDisplayFormat))
    return;
  NotifyPropertiesChanged();
}

String TcxCustomTextEditProperties::EditFormat() {
  bool is_currency = false, implicit = false;
  String format;
  GetEditFormatInfo(is_currency, implicit, format);
  return format;
}

void TcxCustomTextEditProperties::SetEditFormat(const String& v) {
  if (!SetAssignedValue(editFormat_, v, &TcxTextEditPropertiesValues::EditFormat,
                        &TcxTextEditPropertiesValues::SetEditFormat))
    return;
  NotifyPropertiesChanged();
}

Integer TcxCustomTextEditProperties::MaxLength() {
  return AssignedValues()->MaxLength() ? maxLength_ : ProviderMaxLength();
}

void TcxCustomTextEditProperties::SetMaxLength(Integer v) {
  v = std::max<Integer>(0, v);
  if (!SetAssignedValue(maxLength_, v, &TcxTextEditPropertiesValues::MaxLength,
                        &TcxTextEditPropertiesValues::SetMaxLength))
    return;
  MaxLengthChanged();
}

double TcxCustomTextEditProperties::MaxValue() {
  if (AssignedValues()->MaxValue()) return maxValue_;
  return DefaultValuesProvider() ? DefaultValuesProvider()->DefaultMaxValue() : 0;
}

void TcxCustomTextEditProperties::SetMaxValue(double v) {
  if (!SetAssignedValue(maxValue_, v, &TcxTextEditPropertiesValues::MaxValue,
                        &TcxTextEditPropertiesValues::SetMaxValue))
    return;
  NotifyPropertiesChanged();
}

double TcxCustomTextEditProperties::MinValue() {
  if (AssignedValues()->MinValue()) return minValue_;
  return DefaultValuesProvider() ? DefaultValuesProvider()->DefaultMinValue() : 0;
}

void TcxCustomTextEditProperties::SetMinValue(double v) {
  if (!SetAssignedValue(minValue_, v, &TcxTextEditPropertiesValues::MinValue,
                        &TcxTextEditPropertiesValues::SetMinValue))
    return;
  NotifyPropertiesChanged();
}

TcxTextEditViewStyle TcxCustomTextEditProperties::ViewStyle() {
  if (ButtonsViewMode() == 1) return vsButtonsOnly;
  if (ButtonsViewMode() == 2) return vsButtonsAutoWidth;
  return hideCursor_ ? vsHideCursor : vsNormal;
}

void TcxCustomTextEditProperties::SetViewStyle(TcxTextEditViewStyle v) {
  if (v == ViewStyle()) return;
  BeginUpdate();
  SetButtonsViewMode(v == vsButtonsOnly ? 1 : v == vsButtonsAutoWidth ? 2 : 0);
  SetHideCursor(v != vsNormal);
  EndUpdate(true);
}

bool TcxCustomTextEditProperties::HasValueRange() {
  const bool max_assigned = AssignedValues()->MaxValue(), min_assigned = AssignedValues()->MinValue();
  return MaxValue() > MinValue() || (max_assigned != min_assigned);
}

bool TcxCustomTextEditProperties::HasValueBound(Integer kind) {
  if (MaxValue() > MinValue()) return true;
  const bool max_assigned = AssignedValues()->MaxValue(), min_assigned = AssignedValues()->MinValue();
  if (max_assigned == min_assigned) return false;
  return kind == 0 ? min_assigned : max_assigned;
}

void TcxCustomTextEditProperties::CheckValueBounds(const Variant& display_value, String& error_text,
                                                   bool& error) {
  // Without an editor control the display value is read as a number directly.
  double value = 0;
  if (IsNumericOrBcdVariant(display_value) || IsDateTimeVariant(display_value)) {
    value = display_value.AsDouble();
  } else {
    String text = VarToStr(display_value);
    RemoveThousandSeparators(text);
    if (!TryStrToFloat(Trim(text), value)) return;
  }
  if ((HasValueBound(0) && value < MinValue()) || (HasValueBound(1) && value > MaxValue())) {
    error = true;
    error_text = GetDefaultErrorText(1);
  }
}

void TcxCustomTextEditProperties::ValidateDisplayValue(Variant& display_value, String& error_text,
                                                       bool& error, IcxEditValidator* edit) {
  if (HasNumericValue() && HasValueRange()) CheckValueBounds(display_value, error_text, error);
  TcxCustomEditProperties::ValidateDisplayValue(display_value, error_text, error, edit);
}

void TcxCustomTextEditProperties::AdjustDisplayText(String& text) {
  if (echoMode_ == eemPassword) {
    // One mask character per character, never per byte of its encoding.
    String mask;
    AppendUtf8(mask, passwordChar_ ? passwordChar_ : U'*');
    String result;
    for (Integer i = CharCount(text); i > 0; --i) result += mask;
    text = result;
    return;
  }
  ApplyCharCase(text, charCase_);
}

bool TcxCustomTextEditProperties::AcceptDisplayText(Variant& display_value, bool) {
  String text = VarToStr(display_value);
  bool result = true;
  const TcxTextEditingStyle style = GetEditingStyle();
  if (!text.empty() && (style == tesListOrText || style == tesListOnly) && UsesLookupData())
    result = MatchesLookupItem(text);
  if (result) {
    ApplyCharCase(text, charCase_);
    display_value = Variant(text);
  }
  return result;
}

bool TcxCustomTextEditProperties::IsEditValueValid(Variant& edit_value, bool edit_focused) {
  if (edit_value.IsNull() || !edit_value.IsString()) return true;
  return AcceptDisplayText(edit_value, edit_focused);
}

void TcxCustomTextEditProperties::GetEditFormatInfo(bool& is_currency, bool& implicit_format,
                                                    String& format) {
  is_currency = implicit_format = false;
  format.clear();
  if (AssignedValues()->EditFormat()) {
    format = editFormat_;
    return;
  }
  IcxEditDefaultValuesProvider* provider = DefaultValuesProvider();
  if (provider && provider->IsImplicitDisplayFormat()) {
    implicit_format = true;
    return;
  }
  if (provider && !provider->DefaultEditFormat().empty()) {
    format = provider->DefaultEditFormat();
    return;
  }
  String builtin;
  GetBuiltInDisplayFormat(builtin);
  if (AssignedValues()->DisplayFormat()) format = displayFormat_;
  else if (provider && !provider->DefaultDisplayFormat().empty()) format = provider->DefaultDisplayFormat();
  else if (!builtin.empty()) format = builtin;
  else if (provider) is_currency = !(GetDisplayFormatOptions() & dfoNoCurrencyValue) && provider->IsCurrency();
  if (!useDisplayFormatWhenEditing_) format.clear();
}

String TcxCustomTextEditProperties::FormatNumericDisplayValue(const Variant& value, bool edit_focused) {
  if (!edit_focused) {
    const String format = DisplayFormat();
    return format.empty() ? VarToStr(value) : FormatFloat(format, value.AsDouble());
  }
  bool is_currency = false, implicit = false;
  String format;
  GetEditFormatInfo(is_currency, implicit, format);
  const Integer precision = DefaultValuesProvider() ? DefaultValuesProvider()->DefaultPrecision() : 15;
  String text = VarToStr(value);
  double number = 0;
  if (is_currency) {
    if (TryStrToFloat(text, number))
      text = FloatToStrF(number, ffFixed, precision, FormatSettings.CurrencyDecimals);
    return text;
  }
  if (!format.empty()) return FormatFloat(format, value.AsDouble());
  if (TryStrToFloat(text, number)) text = FloatToStrF(number, ffGeneral, precision, 0);
  if (UsesThousandSeparators(false)) AddThousandSeparators(text);
  return text;
}

void TcxCustomTextEditProperties::PrepareDisplayValue(const Variant& edit_value,
                                                      Variant& display_value, bool edit_focused) {
  if (!HasNumericValue()) {
    display_value = Variant(VarToStr(edit_value));
    return;
  }
  if (IsVariantNullOrEmptyText(edit_value)) {
    display_value = Variant("");
  } else if (IsNumericOrBcdVariant(edit_value) || edit_value.IsString()) {
    display_value = Variant(FormatNumericDisplayValue(edit_value, edit_focused));
  } else {
    throw EConvertError(LoadReplaceableResString(cxSEditNumericValueConvertError));
  }
}

void TcxCustomTextEditProperties::EditValueToDisplayValue(const Variant& edit_value,
                                                          bool edit_focused,
                                                          Variant& display_value) {
  Variant copy = edit_value;
  if (IsEditValueValid(copy, edit_focused)) {
    PrepareDisplayValue(copy, display_value, edit_focused);
  } else if (IsDateTimeVariant(edit_value)) {
    display_value = Variant(DateTimeToStr(edit_value.AsDateTime()));
  } else {
    display_value = Variant(VarToStr(edit_value));
  }
}

String TcxCustomTextEditProperties::ValueToDisplayText(const Variant& edit_value, bool,
                                                       bool for_display) {
  String text;
  try {
    if (IsDisplayFormattedByProvider()) {
      text = VarToStr(edit_value);
    } else {
      Variant display;
      EditValueToDisplayValue(edit_value, !for_display && !EditingModeNeedsFocus(), display);
      text = VarToStr(display);
    }
  } catch (...) {
    AdjustDisplayText(text);
    throw;
  }
  AdjustDisplayText(text);
  return text;
}

bool TcxCustomTextEditProperties::DisplayValuesEqual(const Variant& a, const Variant& b) {
  return AnsiCompareStr(ValueToDisplayText(a, true, true), ValueToDisplayText(b, true, true)) == 0;
}

Word TcxCustomTextEditProperties::GetSupportedOperations() {
  return Word(TcxCustomEditProperties::GetSupportedOperations() | 0x15E);
}
