// The currency edit: decimal places and null handling, text to value, the display texts
// focused and unfocused, the typed-character rules, the value bounds, the filter helper, the
// repository item and the unit start.
#include "editors-extra/cxCurrencyEdit.h"

#include "data/cxVariants.h"
#include "editors-extra/cxDBEdit.h"
#include "editors-extra/cxEditDBRegisteredRepositoryItems.h"
#include "editors-extra/cxExtEditUtils.h"
#include "editors/cxEditPaintUtils.h"
#include "rtl/TypInfo.h"

namespace {
using TCurrProps = TcxCustomCurrencyEditProperties;
TCurrProps* Mutable(const TCurrProps* p) { return const_cast<TCurrProps*>(p); }
const TcxResourceStringRec scxSEditRepositoryCurrencyItem = {
    "scxSEditRepositoryCurrencyItem", "CurrencyEdit|Represents an editor enabling editing currency data"};
}  // namespace

bool CurrencyTextToValue(const String& text, double& value) {
  String plain = text;
  RemoveThousandSeparators(plain);
  if (TryNumberTextToDouble(plain, value)) return true;
  value = 0;
  return plain.empty();
}

// ---- assigned values and properties -----------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCurrencyEditPropertiesValues)

void TcxCurrencyEditPropertiesValues::Assign(TPersistent* source) {
  BeginPropertiesUpdate();
  if (auto* s = dynamic_cast<TcxCurrencyEditPropertiesValues*>(source)) decimalPlaces_ = s->decimalPlaces_;
  TcxTextEditPropertiesValues::Assign(source);
  EndPropertiesUpdate();
}

void TcxCurrencyEditPropertiesValues::RestoreDefaults() {
  BeginPropertiesUpdate();
  decimalPlaces_ = false;
  TcxTextEditPropertiesValues::RestoreDefaults();
  EndPropertiesUpdate();
}

void TcxCurrencyEditPropertiesValues::SetDecimalPlaces(bool v) {
  if (decimalPlaces_ == v) return;
  decimalPlaces_ = v;
  NotifyPropertiesChanged();
}

KORVAN_IMPLEMENT_CLASS(TcxCustomCurrencyEditProperties)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCurrencyEditProperties) {
  p.Object("Alignment", [](const TCurrProps* o) { return Mutable(o)->Alignment(); }, &TCurrProps::SetAlignment,
           TcxEditAlignment::StaticClass())
      .Stored(&TCurrProps::IsAlignmentStored);
  p.Bool("AutoSelect", &TCurrProps::AutoSelect, &TCurrProps::SetAutoSelect).Default(true);
  p.Int("ClearKey", &TCurrProps::ClearKey, &TCurrProps::SetClearKey).Default(0);
  p.Int("DecimalPlaces", &TCurrProps::DecimalPlaces, &TCurrProps::SetDecimalPlaces)
      .NoDefault()
      .Stored(&TCurrProps::IsDecimalPlacesStored);
  p.Str("DisplayFormat", [](const TCurrProps* o) { return Mutable(o)->DisplayFormat(); },
        &TCurrProps::SetDisplayFormat);
  p.Str("EditFormat", [](const TCurrProps* o) { return Mutable(o)->EditFormat(); }, &TCurrProps::SetEditFormat);
  p.Bool("HideSelection", &TCurrProps::HideSelection, &TCurrProps::SetHideSelection).Default(true);
  p.Float("MaxValue", [](const TCurrProps* o) { return Mutable(o)->MaxValue(); }, &TCurrProps::SetMaxValue)
      .Default(0.0);
  p.Float("MinValue", [](const TCurrProps* o) { return Mutable(o)->MinValue(); }, &TCurrProps::SetMinValue)
      .Default(0.0);
  p.Bool("Nullable", &TCurrProps::Nullable, &TCurrProps::SetNullable).Default(true);
  p.Str("NullString", &TCurrProps::NullString, &TCurrProps::SetNullString);
  p.Bool("ReadOnly", [](const TCurrProps* o) { return Mutable(o)->ReadOnly(); }, &TCurrProps::SetReadOnly)
      .NoDefault()
      .Stored(&TCurrProps::IsReadOnlyStored);
  p.Bool("UseDisplayFormatWhenEditing", &TCurrProps::UseDisplayFormatWhenEditing,
         &TCurrProps::SetUseDisplayFormatWhenEditing)
      .Default(false);
  p.Bool("UseThousandSeparator", &TCurrProps::UseThousandSeparator, &TCurrProps::SetUseThousandSeparator)
      .Default(false);
  p.Bool("ValidateOnEnter", &TCurrProps::ValidateOnEnter, &TCurrProps::SetValidateOnEnter).Default(true);
}

TcxCustomCurrencyEditProperties::TcxCustomCurrencyEditProperties(TPersistent* owner)
    : TcxCustomTextEditProperties(owner) {
  SetAssignedValuesObject(new TcxCurrencyEditPropertiesValues(this));
  SetValidateOnEnter(true);
}

void TcxCustomCurrencyEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomCurrencyEditProperties*>(source);
  ChangeInUpdate([&] {
    TcxCustomTextEditProperties::Assign(source);
    if (s) {
      AssignedValues()->SetDecimalPlaces(false);
      if (s->AssignedValues()->DecimalPlaces()) SetDecimalPlaces(s->decimalPlaces_);
      nullable_ = s->nullable_;
      nullString_ = s->nullString_;
      useThousandSeparator_ = s->useThousandSeparator_;
      NotifyPropertiesChanged();
    }
  });
}

TClass TcxCustomCurrencyEditProperties::GetContainerClass() { return TcxCurrencyEdit::StaticClass(); }

Integer TcxCustomCurrencyEditProperties::DecimalPlaces() const {
  return AssignedValues()->DecimalPlaces() ? decimalPlaces_ : Integer(FormatSettings.CurrencyDecimals);
}

void TcxCustomCurrencyEditProperties::SetDecimalPlaces(Integer v) {
  if (AssignedValues()->DecimalPlaces() && decimalPlaces_ == v) return;
  decimalPlaces_ = v;
  BeginUpdate();
  AssignedValues()->SetDecimalPlaces(true);
  NotifyPropertiesChanged();
  EndUpdate(true);
}

bool TcxCustomCurrencyEditProperties::UsesFieldDisplayText(bool edit_focused) {
  if (edit_focused) return false;
  auto* provider = dynamic_cast<TcxCustomDBEditDefaultValuesProvider*>(DefaultValuesProvider());
  return provider && provider->IsNonNumericDisplayFormatDefined();
}

void TcxCustomCurrencyEditProperties::GetBuiltInDisplayFormat(String& format) {
  format = GlobalFormatController()->CurrencyDisplayFormat();
}

void TcxCustomCurrencyEditProperties::PrepareDisplayValue(const Variant& edit_value, Variant& display_value,
                                                          bool edit_focused) {
  if (IsVariantNullOrEmptyText(edit_value)) {
    if (edit_focused) display_value = Variant(String());
    else if (nullable_) display_value = Variant(nullString_);
    else TcxCustomTextEditProperties::PrepareDisplayValue(Variant(0.0), display_value, false);
    return;
  }
  try {
    TcxCustomTextEditProperties::PrepareDisplayValue(edit_value, display_value, edit_focused);
  } catch (const EConvertError&) {
    display_value = edit_focused ? Variant(String()) : edit_value;
    return;
  } catch (const EVariantError&) {
    display_value = edit_focused ? Variant(String()) : edit_value;
    return;
  }
  if (!edit_focused && useThousandSeparator_) {
    // A display format without separators of its own still shows them.
    String text = VarToStr(display_value);
    double unused = 0;
    if (TryStrToFloat(Trim(text), unused)) {
      AddThousandSeparators(text);
      display_value = Variant(text);
    }
  }
}

void TcxCustomCurrencyEditProperties::ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                                                           IcxEditValidator* edit) {
  double v = 0;
  if (!CurrencyTextToValue(VarToStr(display_value), v)) {
    error = true;
    if (error_text.empty()) error_text = GetDefaultErrorText(0);
  }
  TcxCustomTextEditProperties::ValidateDisplayValue(display_value, error_text, error, edit);
}

bool TcxCustomCurrencyEditProperties::HasEditFormat() {
  bool is_currency = false, implicit = false;
  String format;
  GetEditFormatInfo(is_currency, implicit, format);
  return implicit || !format.empty();
}

bool TcxCustomCurrencyEditProperties::AcceptDisplayText(Variant& display_value, bool edit_focused) {
  if (!edit_focused || HasEditFormat()) return true;
  double v = 0;
  return CurrencyTextToValue(VarToStr(display_value), v);
}

bool TcxCustomCurrencyEditProperties::IsValidNumberText(const String& text) {
  const size_t p = text.find(FormatSettings.DecimalSeparator);
  if (p != String::npos) {
    size_t end = text.find_first_of("eE", p + 1);
    if (end == String::npos) end = text.size();
    if (Integer(end - p - 1) > DecimalPlaces()) return false;
  }
  double v = 0;
  return CurrencyTextToValue(text, v);
}

// ---- the edit ----------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomCurrencyEdit)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCurrencyEdit) {
  p.Object("Properties", &TcxCurrencyEdit::Properties, &TcxCurrencyEdit::SetProperties,
           TcxCurrencyEditProperties::StaticClass());
  p.Float("Value", [](const TcxCurrencyEdit* o) { return const_cast<TcxCurrencyEdit*>(o)->Value(); },
          &TcxCurrencyEdit::SetValue)
      .NoDefault()
      .Stored(false);
}

TcxCustomCurrencyEdit::TcxCustomCurrencyEdit(TComponent* owner, bool in_place, TClass properties_class)
    : TcxCustomTextEdit(owner, in_place, properties_class) {
  ControlStyle().Exclude(csSetCaption);
}

double TcxCustomCurrencyEdit::Value() {
  if (Focused() && ChangedSinceEnter()) {
    const Variant v = GetDisplayValue();
    return IsNumericOrBcdVariant(v) ? v.AsDouble() : 0;
  }
  const Variant v = ReadEditValue();
  if (v.IsNull() || v.IsEmpty()) return 0;
  if (v.IsString()) {
    double d = 0;
    return TryStrToFloat(Trim(VarToStr(v)), d) ? d : 0;
  }
  try {
    return v.AsDouble();
  } catch (const EVariantError&) {
    return 0;
  }
}

double TcxCustomCurrencyEdit::ClampValue(double v) {
  TcxCustomCurrencyEditProperties* p = CurrencyProperties();
  if (p->HasValueBound(0) && v < p->MinValue()) return p->MinValue();
  if (p->HasValueBound(1) && v > p->MaxValue()) return p->MaxValue();
  return v;
}

void TcxCustomCurrencyEdit::SetValue(double v) { SetEditValue(Variant(ClampValue(v))); }

void TcxCustomCurrencyEdit::DisplayToEditValue(const Variant& display_value, Variant& edit_value, bool) {
  TcxCustomCurrencyEditProperties* p = CurrencyProperties();
  const String text = VarToStr(display_value);
  double v = 0;
  if (!text.empty() && text != p->NullString() && CurrencyTextToValue(text, v)) edit_value = Variant(v);
  else edit_value = p->Nullable() ? Null() : Variant(0.0);
}

Variant TcxCustomCurrencyEdit::GetDisplayValue() {
  Variant v;
  DisplayToEditValue(CurrentDisplayText(), v, true);
  return v;
}

bool TcxCustomCurrencyEdit::CanAcceptChar(char32_t c) {
  TcxCustomCurrencyEditProperties* p = CurrencyProperties();
  const bool thousands =
      p->UseThousandSeparator() && FormatSettings.ThousandSeparator && c == char32_t(FormatSettings.ThousandSeparator);
  if (!thousands && !IsNumberInputChar(c, 2) && c != char32_t(FormatSettings.DecimalSeparator)) return false;
  if (p->HasEditFormat() && !p->IsValidNumberText(VarToStr(CurrentDisplayText()))) return true;
  const String text = TextWithTypedChar(this, c);
  return text == "-" || p->IsValidNumberText(text);
}

void TcxCustomCurrencyEdit::DoEditKeyPress(char32_t& key) {
  const bool thousands = CurrencyProperties()->UseThousandSeparator() && FormatSettings.ThousandSeparator &&
                         key == char32_t(FormatSettings.ThousandSeparator);
  if (!thousands && (key == U',' || key == U'.')) key = char32_t(FormatSettings.DecimalSeparator);
  if (key >= 32 && !CanAcceptChar(key)) {
    key = 0;
    if (CurrencyProperties()->BeepOnError()) MessageBeep(0);
    return;
  }
  TcxCustomTextEdit::DoEditKeyPress(key);
}

void TcxCustomCurrencyEdit::PasteFromClipboard() {
  if (!GetEffectiveProperties()->ReadOnly()) TcxCustomTextEdit::PasteFromClipboard();
}

void TcxCustomCurrencyEdit::DoExit() {
  TWeakRef<TcxCustomCurrencyEdit> self(this);
  TcxCustomTextEdit::DoExit();
  if (!self) return;
  const double v = Value();
  if (ClampValue(v) == v) return;
  PushModifiedState();
  try {
    SetValue(v);
  } catch (...) {
    PopModifiedState();
    throw;
  }
  PopModifiedState();
}

// ---- filter helper, repository item and unit start ---------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxEditRepositoryCurrencyItem)
KORVAN_IMPLEMENT_CLASS(TcxFilterCurrencyEditHelper)

TClass TcxFilterCurrencyEditHelper::ValueEditClass() const { return TcxCurrencyEdit::StaticClass(); }

void TcxFilterCurrencyEditHelper::SupportedOperators(TcxCustomEditProperties*, TcxValueTypeClass,
                                                     TcxFilterControlOperators& operators, bool extended) const {
  operators = {1, 2, 3, 4, 5, 6, 9, 10};
  if (extended) operators.insert(operators.end(), {11, 12, 13, 14});
}

void TcxFilterCurrencyEditHelper::PrepareFilterProperties(TcxCustomEditProperties* properties,
                                                          TcxCustomEditProperties* source, bool keep_buttons) const {
  TcxFilterTextEditHelper::PrepareFilterProperties(properties, source, keep_buttons);
  auto* p = dynamic_cast<TcxCustomCurrencyEditProperties*>(properties);
  if (!p) return;
  p->SetMinValue(0);
  p->SetMaxValue(0);
  p->SetNullable(true);
  p->SetNullString(String());
}

void InitializeCxCurrencyEdit() {
  InitUnit(
      "cxCurrencyEdit",
      [] {
        InitializeCxTextEdit();
        RegisterClass(TcxCurrencyEdit::StaticClass());
        RegisterClass(TcxCurrencyEditProperties::StaticClass());
        RegisterClass(TcxEditRepositoryCurrencyItem::StaticClass());
        EditPropertiesRegistry()->AddDescribedClass(TcxCurrencyEditProperties::StaticClass(),
                                                    LoadReplaceableResString(scxSEditRepositoryCurrencyItem));
        FilterEditsController()->RegisterHelper(TcxCurrencyEditProperties::StaticClass(),
                                                TcxFilterCurrencyEditHelper::StaticClass());
        GetDefaultEditDBRepositoryItems()->RegisterCurrencyItem(
            -1, DefaultEditRepository()->CreateItem(TcxEditRepositoryCurrencyItem::StaticClass()));
      },
      [] {
        if (EditPropertiesRegistry()) EditPropertiesRegistry()->RemoveClass(TcxCurrencyEditProperties::StaticClass());
        FilterEditsController()->UnregisterHelper(TcxCurrencyEditProperties::StaticClass(),
                                                  TcxFilterCurrencyEditHelper::StaticClass());
      });
}
