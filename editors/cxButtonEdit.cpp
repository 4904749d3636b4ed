#include "editors/cxButtonEdit.h"

#include "editors/cxEditPaintUtils.h"
#include "rtl/TypInfo.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomButtonEditProperties)
KORVAN_IMPLEMENT_CLASS(TcxCustomButtonEdit)

namespace {
using TButtonProps = TcxCustomButtonEditProperties;
TButtonProps* Mutable(const TButtonProps* p) { return const_cast<TButtonProps*>(p); }
PTypeInfo ViewStyleType() {
  return EnumTypeInfo("TcxTextEditViewStyle", {"vsNormal", "vsHideCursor", "vsButtonsOnly", "vsButtonsAutoWidth"});
}
}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxButtonEditProperties) {
  p.Object("Alignment", [](const TButtonProps* o) { return Mutable(o)->Alignment(); }, &TButtonProps::SetAlignment,
           TcxEditAlignment::StaticClass())
      .Stored(&TButtonProps::IsAlignmentStored);
  p.Bool("AutoSelect", &TButtonProps::AutoSelect, &TButtonProps::SetAutoSelect).Default(true);
  p.Bool("BeepOnError", &TButtonProps::BeepOnError, &TButtonProps::SetBeepOnError).Default(false);
  p.Object("Buttons", &TButtonProps::Buttons, &TButtonProps::SetButtons, TcxEditButtons::StaticClass());
  p.Bool("CaseInsensitive", &TButtonProps::CaseInsensitive, &TButtonProps::SetCaseInsensitive).Default(true);
  p.Enum("CharCase", &TButtonProps::CharCase, &TButtonProps::SetCharCase, EditCharCaseTypeInfo()).Default(ecNormal);
  p.Int("ClearKey", &TButtonProps::ClearKey, &TButtonProps::SetClearKey).Default(0);
  p.Int("ClickKey", &TButtonProps::ClickKey, &TButtonProps::SetClickKey).Default(16397);
  p.Enum("EchoMode", &TButtonProps::EchoMode, &TButtonProps::SetEchoMode, EditEchoModeTypeInfo()).Default(eemNormal);
  p.Str("EditMask", [](const TButtonProps* o) { return Mutable(o)->EditMask(); }, &TButtonProps::SetEditMask);
  p.Bool("HideSelection", &TButtonProps::HideSelection, &TButtonProps::SetHideSelection).Default(true);
  p.Bool("IgnoreMaskBlank", &TButtonProps::IgnoreMaskBlank, &TButtonProps::SetIgnoreMaskBlank).Default(false);
  p.Bool("IncrementalSearch", &TButtonProps::IncrementalSearch, &TButtonProps::SetIncrementalSearch).Default(true);
  p.Enum("MaskKind", &TButtonProps::MaskKind, &TButtonProps::SetMaskKind, EditMaskKindTypeInfo()).Default(emkStandard);
  p.Int("MaxLength", [](const TButtonProps* o) { return Mutable(o)->MaxLength(); }, &TButtonProps::SetMaxLength)
      .NoDefault()
      .Stored(&TButtonProps::IsMaxLengthStored);
  p.Bool("OEMConvert", &TButtonProps::OEMConvert, &TButtonProps::SetOEMConvert).Default(false);
  p.Int("PasswordChar", &TButtonProps::PasswordChar, &TButtonProps::SetPasswordChar).Default(0);
  p.Bool("ReadOnly", [](const TButtonProps* o) { return Mutable(o)->ReadOnly(); }, &TButtonProps::SetReadOnly)
      .NoDefault()
      .Stored(&TButtonProps::IsReadOnlyStored);
  p.Bool("ValidateOnEnter", &TButtonProps::ValidateOnEnter, &TButtonProps::SetValidateOnEnter).Default(true);
  p.Enum("ViewStyle", [](const TButtonProps* o) { return Mutable(o)->ViewStyle(); }, &TButtonProps::SetViewStyle,
         ViewStyleType())
      .Default(vsNormal);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxButtonEdit) {
  p.Bool("BeepOnEnter", &TcxCustomTextEdit::BeepOnEnter, &TcxCustomTextEdit::SetBeepOnEnter).Default(true);
  p.Object("Properties", &TcxButtonEdit::Properties, &TcxButtonEdit::SetProperties,
           TcxButtonEditProperties::StaticClass());
  p.Str("Text", &TControl::Text, &TControl::SetText);
}

TcxCustomButtonEditProperties::TcxCustomButtonEditProperties(TPersistent* owner)
    : TcxCustomMaskEditProperties(owner) {
  InitializeCxButtonEdit();
  TcxEditButton* button = Buttons()->AddButton();
  button->SetKind(bkEllipsis);
  button->SetDefault(true);
}

TClass TcxCustomButtonEditProperties::GetContainerClass() { return TcxButtonEdit::StaticClass(); }

TcxCustomButtonEdit::TcxCustomButtonEdit(TComponent* owner, TClass properties_class)
    : TcxCustomMaskEdit(owner, false, properties_class) {}

void TcxButtonEdit::Loading() {
  if (!buttonsClearedForLoading_) {
    Properties()->Buttons()->Clear();
    GetEffectiveProperties()->Buttons()->Clear();
    buttonsClearedForLoading_ = true;
  }
  TcxCustomButtonEdit::Loading();
}

void InitializeCxButtonEdit() {
  InitUnit(
      "cxButtonEdit",
      [] {
        InitializeCxMaskEdit();
        RegisterClass(TcxButtonEdit::StaticClass());
        RegisterClass(TcxButtonEditProperties::StaticClass());
        EditPropertiesRegistry()->AddDescribedClass(TcxButtonEditProperties::StaticClass(),
                                                    "ButtonEdit|Represents an edit control with embedded buttons");
      },
      [] {
        if (EditPropertiesRegistry()) EditPropertiesRegistry()->RemoveClass(TcxButtonEditProperties::StaticClass());
      });
}
