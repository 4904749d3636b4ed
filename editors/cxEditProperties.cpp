// The editor properties, their assigned-values object and the default-values provider.
#include "editors/cxEdit.h"
#include "editors/cxEditPaintUtils.h"

#include <algorithm>

#include "rtl/TypInfo.h"

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomEditPropertiesValues) {
  p.Bool("ReadOnly", &TcxCustomEditPropertiesValues::ReadOnly,
         &TcxCustomEditPropertiesValues::SetReadOnly)
      .Default(false);
}
KORVAN_IMPLEMENT_CLASS(TcxCustomEditDefaultValuesProvider)
KORVAN_IMPLEMENT_CLASS(TcxCustomEditProperties)

namespace {

std::vector<TcxCustomEditProperties*>& GlobalPropertiesList() {
  static std::vector<TcxCustomEditProperties*> list;
  return list;
}

const TcxResourceStringRec cxSEditInvalidInput = {
    "cxSEditValidateErrorText", "Invalid input value. Use escape key to abandon changes"};

}  // namespace

// ---- assigned values ----------------------------------------------------------------------------

TcxCustomEditProperties* TcxCustomEditPropertiesValues::Properties() const {
  return dynamic_cast<TcxCustomEditProperties*>(owner_);
}

void TcxCustomEditPropertiesValues::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TcxCustomEditPropertiesValues*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  SetReadOnly(other->readOnly_);
}

void TcxCustomEditPropertiesValues::RestoreDefaults() { SetReadOnly(false); }

void TcxCustomEditPropertiesValues::SetReadOnly(bool value) {
  if (readOnly_ == value) return;
  readOnly_ = value;
  NotifyPropertiesChanged();
}

void TcxCustomEditPropertiesValues::BeginPropertiesUpdate() {
  if (auto* p = Properties()) p->BeginUpdate();
}

void TcxCustomEditPropertiesValues::EndPropertiesUpdate() {
  if (auto* p = Properties()) p->EndUpdate(true);
}

void TcxCustomEditPropertiesValues::NotifyPropertiesChanged() {
  if (auto* p = Properties()) p->NotifyPropertiesChanged();
}

bool TcxCustomEditPropertiesValues::OwnerHasProperty(const String& name) const {
  return owner_ && IsPublishedProp(owner_, name);
}

// ---- provider -----------------------------------------------------------------------------------

TcxCustomEditDefaultValuesProvider::~TcxCustomEditDefaultValuesProvider() { ClearUsers(); }

void TcxCustomEditDefaultValuesProvider::ClearUsers() {
  for (TcxCustomEditProperties* properties : GlobalPropertiesList()) {
    IcxEditDefaultValuesProvider* provider = properties->DefaultValuesProvider();
    if (provider && provider->GetInstance() == this) properties->ClearDefaultValuesProvider();
  }
}

// ---- properties ---------------------------------------------------------------------------------

TcxCustomEditProperties::TcxCustomEditProperties(TPersistent* owner)
    : TcxInterfacedPersistent(owner) {
  InitializeCxEdit();
  GlobalPropertiesList().push_back(this);
  freeNotificator_ = std::make_unique<TcxFreeNotificator>();
  freeNotificator_->OnComponentFreed = [this](TComponent* c) { ComponentFreed(c); };
  alignmentView_ = std::make_unique<TcxEditAlignment>(this);
  alignmentView_->OnChanged = [this](TObject*) { AlignmentChanged(); };
  assignedValues_ = std::make_unique<TcxCustomEditPropertiesValues>(this);
  buttons_ = std::make_unique<TcxEditButtons>(this);
  buttons_->OnChange = [this](TObject*) { ButtonsChanged(); };
  useLeftAlignmentOnEditing_ = true;
  innerAlignment_ = std::make_unique<TcxEditAlignment>(this);
}

TcxCustomEditProperties::~TcxCustomEditProperties() {
  DisconnectPropertiesFromInplaceLists(this);
  provider_ = nullptr;
  buttons_->OnChange = nullptr;
  buttons_.reset();
  innerAlignment_.reset();
  assignedValues_.reset();
  alignmentView_.reset();
  freeNotificator_.reset();
  auto& list = GlobalPropertiesList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

const std::vector<TcxCustomEditProperties*>& TcxCustomEditProperties::PropertiesList() {
  return GlobalPropertiesList();
}

void TcxCustomEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomEditProperties*>(source);
  if (!s) {
    TcxInterfacedPersistent::Assign(source);
    return;
  }
  ChangeInUpdate([&] {
    SetAutoSelect(s->autoSelect_);
    buttons_->Assign(s->buttons_.get());
    SetButtonsViewMode(s->buttonsViewMode_);
    beepOnError_ = s->beepOnError_;
    clearKey_ = s->clearKey_;
    clickKey_ = s->clickKey_;
    SetUseLeftAlignmentOnEditing(s->useLeftAlignmentOnEditing_);
    provider_ = s->provider_;
    AssignAlignment(s->Alignment());
    assignedValues_->SetReadOnly(false);
    if (s->assignedValues_->ReadOnly()) SetReadOnly(s->ReadOnly());
    immediatePost_ = s->immediatePost_;
    SetTransparent(s->transparent_);
    useMouseWheel_ = s->useMouseWheel_;
    validateOnEnter_ = s->validateOnEnter_;
    OnButtonClick = s->OnButtonClick;
    OnChange = s->OnChange;
    OnEditValueChanged = s->OnEditValueChanged;
    OnValidate = s->OnValidate;
  });
}

void TcxCustomEditProperties::BeginUpdate() {
  if (updateCount_ == 0) changedWhileUpdating_ = false;
  ++updateCount_;
}

void TcxCustomEditProperties::EndUpdate(bool notify) {
  if (updateCount_ < 1) return;
  if (--updateCount_ == 0 && notify && changedWhileUpdating_) NotifyPropertiesChanged();
}

bool TcxCustomEditProperties::OwnerIsDestroying() const {
  TComponent* component = OwnerComponentOf(Owner());
  return component && component->ComponentState().Contains(csDestroying);
}

void TcxCustomEditProperties::NotifyPropertiesChanged() {
  if (!IsLockedOrUpdating() && !OwnerIsDestroying()) {
    changedWhileUpdating_ = false;
    if (PropertiesChangedHandler) PropertiesChangedHandler(this);
  } else {
    changedWhileUpdating_ = true;
  }
}

void TcxCustomEditProperties::AlignmentChanged() {
  innerAlignment_->Assign(alignmentView_.get());
  NotifyPropertiesChanged();
}

void TcxCustomEditProperties::AssignAlignment(TcxEditAlignment* value) {
  innerAlignment_->Assign(value);
  NotifyPropertiesChanged();
}

void TcxCustomEditProperties::ButtonsChanged() { NotifyPropertiesChanged(); }

TAlignment TcxCustomEditProperties::GetAlignmentHorz() {
  return provider_ ? provider_->DefaultAlignment() : alignmentView_->Horz();
}

String TcxCustomEditProperties::GetDefaultErrorText(Integer) {
  return LoadReplaceableResString(cxSEditInvalidInput);
}

bool TcxCustomEditProperties::HasProviderDisplayFormat(bool edit_focused) {
  const Byte options = GetDisplayFormatOptions();
  if (edit_focused || !(options & dfoSupports) || !provider_) return false;
  return provider_->IsDisplayFormatDefined(!(options & dfoNoCurrencyValue));
}

bool TcxCustomEditProperties::DisplayValuesEqual(const Variant& a, const Variant& b) {
  Variant da, db;
  PrepareDisplayValue(a, da, false);
  PrepareDisplayValue(b, db, false);
  try {
    return VarCompareValue(da, db) == vrEqual;
  } catch (...) {
    return false;
  }
}

TcxCustomEditProperties* TcxCustomEditProperties::CreateInstance() {
  return static_cast<TcxCustomEditProperties*>(ClassType()->Create(nullptr));
}

Word TcxCustomEditProperties::GetSupportedOperations() {
  return buttons_->Count() > 0 ? esoHotTrack : Word(0);
}

void TcxCustomEditProperties::ResetToDefaults() {
  innerAlignment_->Reset();
  BeginUpdate();
  assignedValues_->RestoreDefaults();
  EndUpdate(true);
}

void TcxCustomEditProperties::ValidateDisplayValue(Variant& display_value, String& error_text,
                                                   bool& error, IcxEditValidator* edit) {
  if (!CanValidate()) return;
  if (error_text.empty()) error_text = GetDefaultErrorText(0);
  RunValidateEvents(display_value, error_text, error, edit);
}

void TcxCustomEditProperties::RunValidateEvents(Variant& display_value, String& error_text,
                                                bool& error, IcxEditValidator* edit) {
  if (!edit || !edit->HasValidateHandler()) return;
  const Variant before = display_value;
  edit->FireValidateEvents(display_value, error_text, error);
  if (!error) return;
  // A handler that leaves the value unchanged (as text) gets the editor's current text.
  String old_text, new_text;
  try {
    old_text = before.AsString();
    new_text = display_value.AsString();
  } catch (...) {
  }
  if (old_text == new_text) display_value = edit->CurrentDisplayText();
}

void TcxCustomEditProperties::AttachDefaultValuesProvider(IcxEditDefaultValuesProvider* provider) {
  provider_ = provider;
  if (Owner() && Owner()->ClassType()->Name() == String("TcxCustomEdit")) NotifyPropertiesChanged();
}

bool TcxCustomEditProperties::CanModifyEditValue() {
  if (assignedValues_->ReadOnly() && !readOnly_) return true;
  const bool read_only = ReadOnly();
  if (!read_only && provider_) return provider_->DefaultCanModify() && provider_->CanSetEditMode();
  return !read_only;
}

bool TcxCustomEditProperties::IsDisplayFormattedByProvider() {
  const Byte options = GetDisplayFormatOptions();
  return (options & dfoSupports) && EditValueSource(true) == 0 && EditValueSource(false) == 1 &&
         provider_ && provider_->IsDisplayFormatDefined(!(options & dfoNoCurrencyValue));
}

TcxEditAlignment* TcxCustomEditProperties::Alignment() {
  auto handler = std::move(alignmentView_->OnChanged);
  alignmentView_->OnChanged = nullptr;
  alignmentView_->Assign(innerAlignment_.get());
  if (!innerAlignment_->ShouldStoreHorz()) {
    // Not assigned: the provider's alignment shows through, still unassigned.
    alignmentView_->SetHorz(GetAlignmentHorz());
    alignmentView_->ClearHorzAssignment();
  }
  alignmentView_->OnChanged = std::move(handler);
  return alignmentView_.get();
}

bool TcxCustomEditProperties::IsAlignmentStored() const {
  return innerAlignment_->ShouldStoreHorz() || innerAlignment_->ShouldStoreVert();
}

void TcxCustomEditProperties::SetAutoSelect(bool value) {
  if (autoSelect_ == value) return;
  autoSelect_ = value;
  NotifyPropertiesChanged();
}

void TcxCustomEditProperties::SetButtonsViewMode(Byte value) {
  if (buttonsViewMode_ == value) return;
  buttonsViewMode_ = value;
  NotifyPropertiesChanged();
}

bool TcxCustomEditProperties::ReadOnly() {
  if (assignedValues_->ReadOnly()) return readOnly_;
  return provider_ ? provider_->DefaultReadOnly() : false;
}

void TcxCustomEditProperties::SetReadOnly(bool value) {
  if (assignedValues_->ReadOnly() && readOnly_ == value) return;
  readOnly_ = value;
  // Marking it assigned notifies once; the bracket folds that into this change.
  BeginUpdate();
  assignedValues_->SetReadOnly(true);
  changedWhileUpdating_ = true;
  EndUpdate(true);
}

void TcxCustomEditProperties::SetTransparent(bool value) {
  if (transparent_ == value) return;
  transparent_ = value;
  NotifyPropertiesChanged();
}

void TcxCustomEditProperties::SetUseLeftAlignmentOnEditing(bool value) {
  if (useLeftAlignmentOnEditing_ == value) return;
  useLeftAlignmentOnEditing_ = value;
  NotifyPropertiesChanged();
}

TcxCustomEditViewData* TcxCustomEditProperties::CreateViewData(TcxCustomEditStyle* style,
                                                               bool is_inplace,
                                                               bool hide_display_text) {
  auto* data = new TcxCustomEditViewData(this, style, is_inplace);
  data->HideDisplayText = hide_display_text;
  return data;
}

TcxCustomEditViewInfo* TcxCustomEditProperties::CreateViewInfo() { return new TcxCustomEditViewInfo(); }

void TcxCustomEditProperties::MeasureEditValueByProperties(TcxCanvas* canvas,
                                                           TcxCustomEditStyle* style,
                                                           bool is_inplace,
                                                           const Variant& edit_value,
                                                           const TcxEditSizeProperties& request,
                                                           TSize& size) {
  std::unique_ptr<TcxCustomEditViewData> data(CreateViewData(style, is_inplace, false));
  MeasureEditValueExtent(data.get(), canvas, edit_value, request, nullptr, size);
}
