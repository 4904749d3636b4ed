#include "editors/cxFilterControlUtils.h"

#include <map>
#include <memory>

#include "data/cxFilter.h"
#include "editors/cxTextEdit.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomFilterEditHelper)
KORVAN_IMPLEMENT_CLASS(TcxFilterTextEditHelper)

namespace {

const TcxResourceStringRec kOperatorCaptions[36] = {
    {"cxSFilterOperatorEqual", "equals"},
    {"cxSFilterOperatorNotEqual", "does not equal"},
    {"cxSFilterOperatorLess", "is less than"},
    {"cxSFilterOperatorLessEqual", "is less than or equal to"},
    {"cxSFilterOperatorGreater", "is greater than"},
    {"cxSFilterOperatorGreaterEqual", "is greater than or equal to"},
    {"cxSFilterOperatorLike", "like"},
    {"cxSFilterOperatorNotLike", "not like"},
    {"cxSFilterOperatorIsNull", "is blank"},
    {"cxSFilterOperatorIsNotNull", "is not blank"},
    {"cxSFilterOperatorBetween", "between"},
    {"cxSFilterOperatorNotBetween", "not between"},
    {"cxSFilterOperatorInList", "in"},
    {"cxSFilterOperatorNotInList", "not in"},
    {"cxSFilterOperatorYesterday", "is yesterday"},
    {"cxSFilterOperatorToday", "is today"},
    {"cxSFilterOperatorTomorrow", "is tomorrow"},
    {"cxSFilterOperatorLast7Days", "is last 7 days"},
    {"cxSFilterOperatorLastWeek", "is last week"},
    {"cxSFilterOperatorLast14Days", "is last 14 days"},
    {"cxSFilterOperatorLastTwoWeeks", "is last two weeks"},
    {"cxSFilterOperatorLast30Days", "is last 30 days"},
    {"cxSFilterOperatorLastMonth", "is last month"},
    {"cxSFilterOperatorLastYear", "is last year"},
    {"cxSFilterOperatorPast", "is past"},
    {"cxSFilterOperatorThisWeek", "is this week"},
    {"cxSFilterOperatorThisMonth", "is this month"},
    {"cxSFilterOperatorThisYear", "is this year"},
    {"cxSFilterOperatorNext7Days", "is next 7 days"},
    {"cxSFilterOperatorNextWeek", "is next week"},
    {"cxSFilterOperatorNext14Days", "is next 14 days"},
    {"cxSFilterOperatorNextTwoWeeks", "is next two weeks"},
    {"cxSFilterOperatorNext30Days", "is next 30 days"},
    {"cxSFilterOperatorNextMonth", "is next month"},
    {"cxSFilterOperatorNextYear", "is next year"},
    {"cxSFilterOperatorFuture", "is future"},
};

const TcxResourceStringRec cxSFilterControlInvalidValue = {"cxSFilterControlInvalidValue",
                                                           "Invalid value"};

TcxFilterEditsController* filterEditsController = nullptr;

}  // namespace

String FilterOperatorCaption(TcxFilterControlOperator op) {
  if (op < 1 || op > 36) return "";
  return LoadReplaceableResString(kOperatorCaptions[op - 1]);
}

Integer ToDataFilterOperator(TcxFilterControlOperator op) {
  if (op >= 1 && op <= 8) return op - 1;
  if (op == 9) return 0;
  if (op == 10) return 1;
  if (op >= 11 && op <= 36) return op - 3;
  return 0;
}

TcxFilterControlOperator ToFilterControlOperator(Integer kind, bool value_is_null) {
  if (value_is_null && kind == 0) return 9;
  if (value_is_null && kind == 1) return 10;
  // The criteria's own null kinds have no code of their own: they read as is (not) blank.
  if (kind == foIsNull) return 9;
  if (kind == foIsNotNull) return 10;
  if (kind >= 0 && kind <= 7) return kind + 1;
  if (kind >= 8 && kind <= 33) return kind + 3;
  return 0;
}

// ---- helpers ------------------------------------------------------------------------------------------

void TcxCustomFilterEditHelper::ClearPropertiesEvents(TcxCustomEditProperties* properties) const {
  properties->OnButtonClick = nullptr;
  properties->OnChange = nullptr;
  properties->OnEditValueChanged = nullptr;
  properties->OnValidate = nullptr;
}

void TcxCustomFilterEditHelper::SupportedOperators(TcxCustomEditProperties*,
                                                   TcxValueTypeClass value_type,
                                                   TcxFilterControlOperators& operators,
                                                   bool extended) const {
  operators.clear();
  const bool like = value_type && value_type->IsString();
  for (TcxFilterControlOperator op = 1; op <= (extended ? 14 : 10); ++op)
    if (like || (op != fcoLike && op != fcoNotLike)) operators.push_back(op);
}

void TcxCustomFilterEditHelper::PrepareFilterProperties(TcxCustomEditProperties* properties,
                                                        TcxCustomEditProperties* source,
                                                        bool keep_buttons) const {
  properties->Assign(source);
  properties->Alignment()->SetHorz(taLeftJustify);
  properties->Alignment()->SetVert(taTopJustify);
  properties->SetBeepOnError(false);
  if (!keep_buttons) properties->Buttons()->Clear();
  properties->SetReadOnly(false);
  properties->SetValidateOnEnter(true);
  if (!KeepsDefaultValuesProvider(source)) properties->ClearDefaultValuesProvider();
  ClearPropertiesEvents(properties);
}

bool TcxCustomFilterEditHelper::AcceptsFilterValue(TcxValueTypeClass value_type, Variant& value) const {
  return value_type->IsValueValid(value);
}

void TcxFilterTextEditHelper::PrepareFilterProperties(TcxCustomEditProperties* properties,
                                                      TcxCustomEditProperties* source,
                                                      bool keep_buttons) const {
  TcxCustomFilterEditHelper::PrepareFilterProperties(properties, source, keep_buttons);
  properties->SetAutoSelect(true);
  if (auto* text = dynamic_cast<TcxCustomTextEditProperties*>(properties)) {
    text->SetHideSelection(true);
    text->SetViewStyle(vsNormal);
  }
}

void TcxCustomFilterEditHelper::PrepareEditForFilter(TcxCustomEdit* edit,
                                                     TcxCustomEditProperties* source) const {
  PrepareFilterProperties(edit->GetEffectiveProperties(), source, KeepsButtons());
}

void TcxCustomFilterEditHelper::GetFilterValue(TcxCustomEdit* edit,
                                               TcxCustomEditProperties* properties, Variant& value,
                                               String& display_text) const {
  value = edit->ReadEditValue();
  display_text = properties->ValueToDisplayText(value, true, true);
}

TClass TcxFilterTextEditHelper::ValueEditClass() const { return TcxTextEdit::StaticClass(); }

void TcxFilterTextEditHelper::ApplyFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties*,
                                               const Variant& value) const {
  edit->WriteEditValue(value);
}

TcxCustomEdit* CreateFilterEdit(TClass helper_class, TcxCustomEditProperties* properties,
                                TcxInplaceEditList* list) {
  const TcxCustomFilterEditHelper* helper = FilterEditHelper(helper_class);
  const TClass edit_class = helper ? helper->ValueEditClass() : nullptr;
  if (!edit_class) return nullptr;
  TcxCustomEdit* edit = list ? list->ObtainEditOfEditClass(edit_class)
                             : static_cast<TcxCustomEdit*>(edit_class->Create(nullptr));
  helper->PrepareEditForFilter(edit, properties);
  return edit;
}

const TcxCustomFilterEditHelper* FilterEditHelper(TClass helper_class) {
  static std::map<TClass, std::unique_ptr<TcxCustomFilterEditHelper>> instances;
  if (!helper_class) return nullptr;
  auto& instance = instances[helper_class];
  if (!instance) instance.reset(static_cast<TcxCustomFilterEditHelper*>(helper_class->Create()));
  return instance.get();
}

// ---- the controller -----------------------------------------------------------------------------------

void TcxFilterEditsController::RegisterHelper(TClass properties_class, TClass helper_class) {
  AddMapping(properties_class->Parent(), helper_class);
}

void TcxFilterEditsController::UnregisterHelper(TClass properties_class, TClass helper_class) {
  RemoveMapping(properties_class->Parent(), helper_class);
  if (MappingCount() == 0 && filterEditsController == this) {
    filterEditsController = nullptr;
    delete this;
  }
}

TClass TcxFilterEditsController::LookupHelper(TClass properties_class) {
  return properties_class ? LookupRegisteredClass(properties_class->Parent()) : nullptr;
}

TcxFilterEditsController* FilterEditsController() {
  if (!filterEditsController) filterEditsController = new TcxFilterEditsController();
  return filterEditsController;
}

void RaiseFilterControlError(const String& message) { throw EcxFilterControlError(message); }

void ValidateFilterValue(Variant& value, TcxFilterControlOperator op, TcxValueTypeClass value_type,
                         TClass helper_class) {
  if (!value_type) return;
  if (!value_type->IsString() && value.IsString() && value.AsString().empty()) value = Null();
  if (value.IsNull() || op == fcoLike || op == fcoNotLike) return;
  const TcxCustomFilterEditHelper* helper = FilterEditHelper(helper_class);
  const bool accepted = helper ? helper->AcceptsFilterValue(value_type, value)
                               : value_type->IsValueValid(value);
  if (!accepted) RaiseFilterControlError(LoadReplaceableResString(cxSFilterControlInvalidValue));
}

void InitializeCxFilterControlUtils() {
  InitUnit(
      "cxFilterControlUtils",
      [] {
        FilterEditsController()->RegisterHelper(TcxTextEditProperties::StaticClass(),
                                                TcxFilterTextEditHelper::StaticClass());
      },
      [] {
        if (filterEditsController)
          filterEditsController->UnregisterHelper(TcxTextEditProperties::StaticClass(),
                                                  TcxFilterTextEditHelper::StaticClass());
      });
}
