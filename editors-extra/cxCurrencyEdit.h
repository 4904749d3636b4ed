// The currency edit: a text editor for numbers shown in the locale's currency format, with a
// number of decimal places that typing may not exceed, null handling and thousand separators;
// its repository item is the default editor of currency fields.
#pragma once

#include "editors/cxFilterControlUtils.h"
#include "editors/cxTextEdit.h"

class TcxCurrencyEditPropertiesValues : public TcxTextEditPropertiesValues {
  KORVAN_CLASS(TcxCurrencyEditPropertiesValues, TcxTextEditPropertiesValues)

 public:
  using TcxTextEditPropertiesValues::TcxTextEditPropertiesValues;
  void Assign(TPersistent* source) override;
  void RestoreDefaults() override;
  bool DecimalPlaces() const { return decimalPlaces_; }
  void SetDecimalPlaces(bool v);

 private:
  bool decimalPlaces_ = false;
};

// The number of a currency text: thousand separators removed, read in extended precision; 0 or
// a magnitude in 5.0E-324 .. 1.7E308 succeeds, and so does an empty text (0).
bool CurrencyTextToValue(const String& text, double& value);

class TcxCustomCurrencyEditProperties : public TcxCustomTextEditProperties {
  KORVAN_CLASS(TcxCustomCurrencyEditProperties, TcxCustomTextEditProperties)

 public:
  explicit TcxCustomCurrencyEditProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;
  TClass GetContainerClass() override;
  Byte GetDisplayFormatOptions() override { return dfoSupports | dfoNoCurrencyValue; }
  bool UsesFieldDisplayText(bool edit_focused) override;
  void GetBuiltInDisplayFormat(String& format) override;
  bool HasNumericValue() override { return true; }
  void PrepareDisplayValue(const Variant& edit_value, Variant& display_value, bool edit_focused) override;
  void ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                            IcxEditValidator* edit) override;
  bool AcceptDisplayText(Variant& display_value, bool edit_focused) override;

  // Whether an edit format applies while editing (assigned, from the field, or implicit).
  bool HasEditFormat();
  // A number text with at most DecimalPlaces decimals (the exponent's digits do not count).
  bool IsValidNumberText(const String& text);

  TcxCurrencyEditPropertiesValues* AssignedValues() const {
    return static_cast<TcxCurrencyEditPropertiesValues*>(TcxCustomEditProperties::AssignedValues());
  }
  Integer DecimalPlaces() const;
  void SetDecimalPlaces(Integer v);
  bool IsDecimalPlacesStored() const { return AssignedValues()->DecimalPlaces(); }
  bool Nullable() const { return nullable_; }
  void SetNullable(bool v) { SetAndNotify(nullable_, v); }
  String NullString() const { return nullString_; }
  void SetNullString(const String& v) { SetAndNotify(nullString_, v); }
  bool UseThousandSeparator() const { return useThousandSeparator_; }
  void SetUseThousandSeparator(bool v) { SetAndNotify(useThousandSeparator_, v); }

 private:
  Integer decimalPlaces_ = 2;
  bool nullable_ = true;
  String nullString_;
  bool useThousandSeparator_ = false;
};

class TcxCurrencyEditProperties : public TcxCustomCurrencyEditProperties {
  KORVAN_CLASS(TcxCurrencyEditProperties, TcxCustomCurrencyEditProperties)

 public:
  using TcxCustomCurrencyEditProperties::TcxCustomCurrencyEditProperties;
};

class TcxCustomCurrencyEdit : public TcxCustomTextEdit {
  KORVAN_CLASS(TcxCustomCurrencyEdit, TcxCustomTextEdit)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomCurrencyEdit(TComponent* owner)
      : TcxCustomCurrencyEdit(owner, false, TcxCustomCurrencyEditProperties::StaticClass()) {}
  TcxCustomCurrencyEdit(TComponent* owner, bool in_place, TClass properties_class);

  TcxCustomCurrencyEditProperties* CurrencyProperties() {
    return static_cast<TcxCustomCurrencyEditProperties*>(GetEffectiveProperties());
  }
  double Value();
  void SetValue(double v);
  // Whether a character typed at the selection keeps the text a valid number.
  bool CanAcceptChar(char32_t c);
  // A value below or above a defined bound becomes that bound.
  double ClampValue(double v);

  void DisplayToEditValue(const Variant& display_value, Variant& edit_value, bool edit_focused) override;
  Variant GetDisplayValue() override;
  void PasteFromClipboard() override;

 protected:
  void DoEditKeyPress(char32_t& key) override;
  void DoExit() override;
};

class TcxCurrencyEdit : public TcxCustomCurrencyEdit {
  KORVAN_CLASS(TcxCurrencyEdit, TcxCustomCurrencyEdit)

 public:
  explicit TcxCurrencyEdit(TComponent* owner)
      : TcxCustomCurrencyEdit(owner, false, TcxCurrencyEditProperties::StaticClass()) {}
  TcxCurrencyEditProperties* Properties() const {
    return static_cast<TcxCurrencyEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxCurrencyEditProperties* value) { Properties()->Assign(value); }
};

class TcxEditRepositoryCurrencyItem : public TcxEditRepositoryItem {
  KORVAN_CLASS(TcxEditRepositoryCurrencyItem, TcxEditRepositoryItem)

 public:
  explicit TcxEditRepositoryCurrencyItem(TComponent* owner)
      : TcxEditRepositoryItem(owner, TcxCurrencyEditProperties::StaticClass()) {}
  TcxCurrencyEditProperties* Properties() const {
    return static_cast<TcxCurrencyEditProperties*>(TcxEditRepositoryItem::Properties());
  }
  void SetProperties(TcxCurrencyEditProperties* value) { TcxEditRepositoryItem::SetProperties(value); }
};

class TcxFilterCurrencyEditHelper : public TcxFilterTextEditHelper {
  KORVAN_CLASS(TcxFilterCurrencyEditHelper, TcxFilterTextEditHelper)

 public:
  TClass ValueEditClass() const override;
  void SupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass value_type,
                          TcxFilterControlOperators& operators, bool extended) const override;
  void PrepareFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* source,
                               bool keep_buttons) const override;
};

// The unit start: the properties registry entry, the filter helper and the currency fields'
// default editor.
void InitializeCxCurrencyEdit();
