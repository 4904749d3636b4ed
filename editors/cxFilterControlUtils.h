// Filter edit helpers (how an editor kind enters filter values and which operators it offers),
// the filter control's operators with their captions and their mapping to the data
// controller's operator kinds, and the validation of filter values.
#pragma once

#include "data/cxDataStorage.h"
#include "editors/cxEdit.h"

KORVAN_EXCEPTION(EcxFilterControlError, Exception);

// The filter control's operators 1..36 (0 none).
using TcxFilterControlOperator = Integer;
using TcxFilterControlOperators = std::vector<TcxFilterControlOperator>;
constexpr TcxFilterControlOperator fcoLike = 7, fcoNotLike = 8;

String FilterOperatorCaption(TcxFilterControlOperator op);
// To the data controller's operator kinds 0..33 and back.
Integer ToDataFilterOperator(TcxFilterControlOperator op);
TcxFilterControlOperator ToFilterControlOperator(Integer kind, bool value_is_null);

// A helper class's operations are class-level: each helper class has one instance, which
// FilterEditHelper answers for its class.
class TcxCustomFilterEditHelper : public TObject {
  KORVAN_CLASS(TcxCustomFilterEditHelper, TObject)

 public:
  virtual void ClearPropertiesEvents(TcxCustomEditProperties* properties) const;
  virtual bool KeepsDefaultValuesProvider(TcxCustomEditProperties* source) const { return true; }
  virtual bool KeepsButtons() const { return false; }
  virtual void SupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass value_type,
                                  TcxFilterControlOperators& operators, bool extended) const;
  virtual void PrepareFilterProperties(TcxCustomEditProperties* properties,
                                       TcxCustomEditProperties* source, bool keep_buttons) const;
  virtual bool AcceptsFilterValue(TcxValueTypeClass value_type, Variant& value) const;
  virtual bool FilterUsesDisplayText() const { return false; }
  // The editor side: preparing an editor for a filter value, reading and writing the value.
  virtual void PrepareEditForFilter(TcxCustomEdit* edit, TcxCustomEditProperties* source) const;
  virtual TClass ValueEditClass() const { return nullptr; }
  virtual void GetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                              Variant& value, String& display_text) const;
  virtual void ApplyFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                const Variant& value) const {}
};

class TcxFilterTextEditHelper : public TcxCustomFilterEditHelper {
  KORVAN_CLASS(TcxFilterTextEditHelper, TcxCustomFilterEditHelper)

 public:
  TClass ValueEditClass() const override;
  void PrepareFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* source,
                               bool keep_buttons) const override;
  void ApplyFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                        const Variant& value) const override;
};

const TcxCustomFilterEditHelper* FilterEditHelper(TClass helper_class);

// The editor for entering a filter value: a new one of the helper's value editor class
// without a list, else the list's free editor of that class; prepared for the properties.
// Nil when the helper names no value editor class.
TcxCustomEdit* CreateFilterEdit(TClass helper_class, TcxCustomEditProperties* properties,
                                TcxInplaceEditList* list = nullptr);

// Pairs (properties class, helper class), keyed by the parent class of the properties class so
// that a published class and its custom ancestor share one helper.
class TcxFilterEditsController : public TcxRegisteredClassList {
 public:
  void RegisterHelper(TClass properties_class, TClass helper_class);
  void UnregisterHelper(TClass properties_class, TClass helper_class);
  TClass LookupHelper(TClass properties_class);
};

// Created on first use; freed with its last pair.
TcxFilterEditsController* FilterEditsController();

// Empty text to Null (unless the type holds text); a value the type refuses raises
// EcxFilterControlError "Invalid value" (not for "like" and "not like").
void ValidateFilterValue(Variant& value, TcxFilterControlOperator op, TcxValueTypeClass value_type,
                         TClass helper_class);
[[noreturn]] void RaiseFilterControlError(const String& message);

void InitializeCxFilterControlUtils();
