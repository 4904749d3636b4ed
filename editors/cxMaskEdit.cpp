// The mask edit with a blank mask: its settings, the edit's routing (which falls back to the
// text edit while no mode applies), the filter helper and the unit start.
#include "editors/cxMaskEdit.h"

#include "editors/cxEditPaintUtils.h"
#include "rtl/TypInfo.h"
#include "user/WinUser.h"

namespace {
PTypeInfo MaskKindType() {
  static PTypeInfo t = EnumTypeInfo("TcxEditMaskKind", {"emkStandard", "emkRegExpr", "emkRegExprEx"});
  return t;
}
PTypeInfo CharCaseType() {
  static PTypeInfo t = EnumTypeInfo("TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"});
  return t;
}
PTypeInfo EchoModeType() {
  static PTypeInfo t = EnumTypeInfo("TcxEditEchoMode", {"eemNormal", "eemPassword"});
  return t;
}
using TMaskProps = TcxCustomMaskEditProperties;
TMaskProps* Mutable(const TMaskProps* p) { return const_cast<TMaskProps*>(p); }

const TcxResourceStringRec scxSEditRepositoryMaskItem = {
    "scxSEditRepositoryMaskItem", "MaskEdit|Represents a generic masked edit control."};
}  // namespace

KORVAN_IMPLEMENT_CLASS(TcxCustomMaskEditProperties)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxMaskEditProperties) {
  p.Object("Alignment", [](const TMaskProps* o) { return Mutable(o)->Alignment(); }, &TMaskProps::SetAlignment,
           TcxEditAlignment::StaticClass())
      .Stored(&TMaskProps::IsAlignmentStored);
  p.Bool("AlwaysShowBlanksAndLiterals", &TMaskProps::AlwaysShowBlanksAndLiterals,
         &TMaskProps::SetAlwaysShowBlanksAndLiterals)
      .Default(false);
  p.Bool("AutoSelect", &TMaskProps::AutoSelect, &TMaskProps::SetAutoSelect).Default(true);
  p.Bool("BeepOnError", &TMaskProps::BeepOnError, &TMaskProps::SetBeepOnError).Default(false);
  p.Bool("CaseInsensitive", &TMaskProps::CaseInsensitive, &TMaskProps::SetCaseInsensitive).Default(true);
  p.Enum("CharCase", &TMaskProps::CharCase, &TMaskProps::SetCharCase, CharCaseType()).Default(ecNormal);
  p.Int("ClearKey", &TMaskProps::ClearKey, &TMaskProps::SetClearKey).Default(0);
  p.Enum("EchoMode", &TMaskProps::EchoMode, &TMaskProps::SetEchoMode, EchoModeType()).Default(eemNormal);
  p.Str("EditMask", [](const TMaskProps* o) { return Mutable(o)->EditMask(); }, &TMaskProps::SetEditMask);
  p.Bool("HideSelection", &TMaskProps::HideSelection, &TMaskProps::SetHideSelection).Default(true);
  p.Bool("IgnoreMaskBlank", &TMaskProps::IgnoreMaskBlank, &TMaskProps::SetIgnoreMaskBlank).Default(false);
  p.Bool("IncrementalSearch", &TMaskProps::IncrementalSearch, &TMaskProps::SetIncrementalSearch).Default(true);
  p.Object("LookupItems", [](const TMaskProps* o) { return o->LookupItems(); }, &TMaskProps::SetLookupItems,
           TStringList::StaticClass());
  p.Bool("LookupItemsSorted", &TMaskProps::LookupItemsSorted, &TMaskProps::SetLookupItemsSorted).Default(false);
  p.Enum("MaskKind", &TMaskProps::MaskKind, &TMaskProps::SetMaskKind, MaskKindType()).Default(emkStandard);
  p.Int("MaxLength", [](const TMaskProps* o) { return Mutable(o)->MaxLength(); }, &TMaskProps::SetMaxLength)
      .NoDefault()
      .Stored(&TMaskProps::IsMaxLengthStored);
  p.Bool("OEMConvert", &TMaskProps::OEMConvert, &TMaskProps::SetOEMConvert).Default(false);
  p.Int("PasswordChar", &TMaskProps::PasswordChar, &TMaskProps::SetPasswordChar).Default(0);
  p.Bool("ReadOnly", [](const TMaskProps* o) { return Mutable(o)->ReadOnly(); }, &TMaskProps::SetReadOnly)
      .NoDefault()
      .Stored(&TMaskProps::IsReadOnlyStored);
  p.Bool("ValidateOnEnter", &TMaskProps::ValidateOnEnter, &TMaskProps::SetValidateOnEnter).Default(true);
}
KORVAN_IMPLEMENT_CLASS(TcxCustomMaskEdit)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxMaskEdit) {
  p.Bool("BeepOnEnter", &TcxCustomTextEdit::BeepOnEnter, &TcxCustomTextEdit::SetBeepOnEnter).Default(true);
  p.Object("Properties", &TcxMaskEdit::Properties, &TcxMaskEdit::SetProperties,
           TcxMaskEditProperties::StaticClass());
  p.Str("Text", &TControl::Text, &TControl::SetText);
}
KORVAN_IMPLEMENT_CLASS(TcxFilterMaskEditHelper)

// ---- properties -------------------------------------------------------------------------------------

TcxCustomMaskEditProperties::TcxCustomMaskEditProperties(TPersistent* owner)
    : TcxCustomTextEditProperties(owner) {
  SetValidateOnEnter(true);
}

void TcxCustomMaskEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomMaskEditProperties*>(source);
  if (!s) {
    TcxCustomTextEditProperties::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    TcxCustomTextEditProperties::Assign(source);
    SetMaskKind(s->MaskKind());
    SetEditMask(s->EditMask());
    SetCaseInsensitive(s->CaseInsensitive());
    SetIgnoreMaskBlank(s->IgnoreMaskBlank());
    SetAlwaysShowBlanksAndLiterals(s->AlwaysShowBlanksAndLiterals());
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

TcxEditMask TcxCustomMaskEditProperties::EditMask() {
  if (maskKind_ == emkStandard && IsBlankMask(editMask_)) {
    IcxEditDefaultValuesProvider* provider = DefaultValuesProvider();
    return provider ? provider->DefaultEditMask() : String();
  }
  return editMask_;
}

void TcxCustomMaskEditProperties::SetEditMask(const TcxEditMask& value) {
  if (value == EditMask()) {
    editMask_ = value;
    return;
  }
  // A mode of the kind checks the mask here once the mask languages exist (an expression that
  // does not compile raises EcxMaskEditError and the mask is not stored).
  editMask_ = value;
  NotifyPropertiesChanged();
}

bool TcxCustomMaskEditProperties::IsMasked() {
  return !IsBlankMask(EditMask()) && MaskModeClassFor(maskKind_) != nullptr;
}

void TcxCustomMaskEditProperties::SetMaskKind(TcxEditMaskKind value) {
  if (maskKind_ == value) return;
  maskKind_ = value;
  NotifyPropertiesChanged();
}

void TcxCustomMaskEditProperties::SetAlwaysShowBlanksAndLiterals(bool value) {
  if (alwaysShowBlanksAndLiterals_ == value) return;
  alwaysShowBlanksAndLiterals_ = value;
  NotifyPropertiesChanged();
}

void TcxCustomMaskEditProperties::SetCaseInsensitive(bool value) {
  caseInsensitive_ = CharCase() != ecNormal ? true : value;
  NotifyPropertiesChanged();
}

void TcxCustomMaskEditProperties::SetCharCase(TEditCharCase value) {
  if (value == ecUpperCase || value == ecLowerCase) caseInsensitive_ = true;
  TcxCustomTextEditProperties::SetCharCase(value);
}

Byte TcxCustomMaskEditProperties::GetDisplayFormatOptions() {
  return IsMasked() ? 0 : TcxCustomTextEditProperties::GetDisplayFormatOptions();
}

TClass TcxCustomMaskEditProperties::GetContainerClass() { return TcxMaskEdit::StaticClass(); }

bool TcxCustomMaskEditProperties::IsEditValueValid(Variant& edit_value, bool edit_focused) {
  return IsMasked() || TcxCustomTextEditProperties::IsEditValueValid(edit_value, edit_focused);
}

bool TcxCustomMaskEditProperties::UsesLookupData() {
  return !IsMasked() && TcxCustomTextEditProperties::UsesLookupData();
}

void TcxCustomMaskEditProperties::MaxLengthChanged() {
  if (!IsMasked()) {
    TcxCustomTextEditProperties::MaxLengthChanged();
    return;
  }
  // A mask decides the length itself.
  if (correctingMaxLength_) return;
  correctingMaxLength_ = true;
  BeginUpdate();
  try {
    SetMaxLength(0);
  } catch (...) {
    EndUpdate(true);
    correctingMaxLength_ = false;
    throw;
  }
  EndUpdate(true);
  correctingMaxLength_ = false;
}

// ---- edit -------------------------------------------------------------------------------------------

TcxCustomMaskEdit::TcxCustomMaskEdit(TComponent* owner, bool in_place, TClass properties_class,
                                     TClass inner_edit_class)
    : TcxCustomTextEdit(owner, in_place, properties_class, inner_edit_class) {
  InitializeCxMaskEdit();
  EffectiveMaskProperties()->SetEmptyMaskText("");
  PropertiesChanged(GetEffectiveProperties());
}

void TcxCustomMaskEdit::ReapplyText() { InternalSetDisplayValue(Variant(Text())); }

void TcxCustomMaskEdit::SetSelStartGuarded(Integer value) {
  const bool saved = guardedSelection_;
  guardedSelection_ = true;
  try {
    SetSelStart(value);
  } catch (...) {
    guardedSelection_ = saved;
    throw;
  }
  guardedSelection_ = saved;
}

void TcxCustomMaskEdit::SetSelLengthGuarded(Integer value) {
  const bool saved = guardedSelection_;
  guardedSelection_ = true;
  try {
    SetSelLength(value);
  } catch (...) {
    guardedSelection_ = saved;
    throw;
  }
  guardedSelection_ = saved;
}

void TcxCustomMaskEdit::SendKeyDown(Word key) {
  if (!InnerTextEdit() || !InnerTextEdit()->HandleAllocated()) return;
  const bool saved = sendingKey_;
  sendingKey_ = true;
  try {
    SendMessage(InnerTextEdit()->Handle(), WM_KEYDOWN, key, 0);
  } catch (...) {
    sendingKey_ = saved;
    throw;
  }
  sendingKey_ = saved;
}

void TcxCustomMaskEdit::SendChar(char32_t c) {
  if (!InnerTextEdit() || !InnerTextEdit()->HandleAllocated()) return;
  const bool saved = sendingKey_;
  sendingKey_ = true;
  try {
    SendMessage(InnerTextEdit()->Handle(), WM_CHAR, WPARAM(c), 0);
  } catch (...) {
    sendingKey_ = saved;
    throw;
  }
  sendingKey_ = saved;
}

void TcxCustomMaskEdit::KeyDown(Word& key, TShiftState shift) {
  if (sendingKey_) return;
  TcxCustomTextEdit::KeyDown(key, shift);
}

void TcxCustomMaskEdit::KeyPress(char32_t& key) {
  if (sendingKey_) return;
  TcxCustomTextEdit::KeyPress(key);
}

void TcxCustomMaskEdit::KeyUp(Word& key, TShiftState shift) {
  if (sendingKey_) return;
  TcxCustomTextEdit::KeyUp(key, shift);
}

void TcxCustomMaskEdit::PropertiesChanged(TcxCustomEditProperties* properties) {
  // The mode (when the kind has one) takes the mask, kind and case here; with a blank mask
  // the text edit's handling is all there is.
  auto* mask_properties = dynamic_cast<TcxCustomMaskEditProperties*>(properties);
  if (mask_properties && !mask_properties->IsMasked()) mask_properties->SetEmptyMaskText("");
  TcxCustomTextEdit::PropertiesChanged(properties);
  if (!IsInnerEditUnavailable()) cachedEditText_ = VarToStr(CurrentDisplayText());
}

void TcxCustomMaskEdit::DoEditKeyDown(Word& key, TShiftState shift) {
  if (key != VK_TAB) shiftDown_ = shift.Contains(ssShift);
  TcxCustomTextEdit::DoEditKeyDown(key, shift);
}

void TcxCustomMaskEdit::DoEditKeyPress(char32_t& key) { TcxCustomTextEdit::DoEditKeyPress(key); }

// ---- filter helper ----------------------------------------------------------------------------------

TClass TcxFilterMaskEditHelper::ValueEditClass() const { return TcxMaskEdit::StaticClass(); }

void TcxFilterMaskEditHelper::SupportedOperators(TcxCustomEditProperties* properties,
                                                 TcxValueTypeClass value_type,
                                                 TcxFilterControlOperators& operators, bool extended) const {
  operators = {1, 2, 3, 4, 5, 6, 9, 10};
  auto* mask = dynamic_cast<TcxCustomMaskEditProperties*>(properties);
  if ((!mask || !mask->IsMasked()) && value_type && value_type->IsString()) {
    operators.push_back(fcoLike);
    operators.push_back(fcoNotLike);
  }
  if (extended)
    for (TcxFilterControlOperator op = 11; op <= 14; ++op) operators.push_back(op);
}

void TcxFilterMaskEditHelper::PrepareFilterProperties(TcxCustomEditProperties* properties,
                                                      TcxCustomEditProperties* source,
                                                      bool keep_buttons) const {
  TcxFilterTextEditHelper::PrepareFilterProperties(properties, source, keep_buttons);
  auto* mask = dynamic_cast<TcxCustomMaskEditProperties*>(properties);
  if (!mask) return;
  if (auto* s = dynamic_cast<TcxCustomMaskEditProperties*>(source); s && s->MaskKind() == emkRegExpr)
    mask->SetMaskKind(emkRegExprEx);
  mask->SetAutoSelect(!mask->IsMasked());
}

// ---- unit start ---------------------------------------------------------------------------------------

void InitializeCxMaskEdit() {
  InitUnit(
      "cxMaskEdit",
      [] {
        InitializeCxTextEdit();
        RegisterClass(TcxMaskEdit::StaticClass());
        RegisterClass(TcxMaskEditProperties::StaticClass());
        EditPropertiesRegistry()->AddDescribedClass(TcxMaskEditProperties::StaticClass(),
                                                    LoadReplaceableResString(scxSEditRepositoryMaskItem));
        FilterEditsController()->RegisterHelper(TcxMaskEditProperties::StaticClass(),
                                                TcxFilterMaskEditHelper::StaticClass());
      },
      [] {
        if (EditPropertiesRegistry()) EditPropertiesRegistry()->RemoveClass(TcxMaskEditProperties::StaticClass());
        FilterEditsController()->UnregisterHelper(TcxMaskEditProperties::StaticClass(),
                                                  TcxFilterMaskEditHelper::StaticClass());
      });
}
