// The editor's data binding, the per-cell edit data and the change-event catcher.
#include "editors/cxEdit.h"

KORVAN_IMPLEMENT_CLASS(TcxEditDataBinding)
KORVAN_IMPLEMENT_CLASS(TcxCustomEditData)
KORVAN_IMPLEMENT_CLASS(TcxEditChangeEventsCatcher)

// ---- data binding ------------------------------------------------------------------------------

TcxEditDataBinding::TcxEditDataBinding(IcxEditControl* edit) : edit_(edit) {}

// The provider's destructor clears it from every properties object that uses it.
TcxEditDataBinding::~TcxEditDataBinding() = default;

TcxCustomEditDefaultValuesProvider* TcxEditDataBinding::CreateDefaultValuesProvider() {
  return new TcxCustomEditDefaultValuesProvider(nullptr);
}

// Made on first use: a constructor cannot reach a descendant's provider class.
IcxEditDefaultValuesProvider* TcxEditDataBinding::GetDefaultValuesProvider() {
  if (!provider_) provider_.reset(CreateDefaultValuesProvider());
  return provider_.get();
}

void TcxEditDataBinding::DefaultValuesChanged() {
  TcxCustomEditProperties* properties = edit_->GetEffectiveProperties();
  if (!edit_->UsesRepositoryItem()) {
    properties->NotifyPropertiesChanged();
    return;
  }
  // A shared item's properties: only this editor hears of the change.
  properties->BeginUpdate();
  properties->NotifyPropertiesChanged();
  properties->EndUpdate(false);
  edit_->PropertiesChanged(properties);
}

bool TcxEditDataBinding::AcceptsEditorValueCheck() {
  TComponent* component = edit_->EditComponent();
  return (component && component->ComponentState().Contains(csDesigning)) || !IsModified();
}

// ---- edit data -----------------------------------------------------------------------------------

TcxCustomEditData::TcxCustomEditData(IcxEditControl* edit) : edit_(edit) {
  freeNotificator_ = std::make_unique<TcxFreeNotificator>();
  // The notification comes from the component's destructor, when the editor's own part is
  // already gone and may no longer be asked: compare with the component taken now.
  TComponent* watched = edit_ ? edit_->EditComponent() : nullptr;
  freeNotificator_->OnComponentFreed = [this, watched](TComponent* component) {
    if (component == watched) edit_ = nullptr;
  };
  if (watched) freeNotificator_->WatchComponent(watched);
  Clear();
}

TcxCustomEditData::~TcxCustomEditData() = default;

void TcxCustomEditData::Clear() {
  cleared_ = true;
  if (edit_) edit_->ClearEditData(this);
}

// ---- change-event catcher ------------------------------------------------------------------------

void TcxEditChangeEventsCatcher::Lock(bool lock, bool invoke) {
  if (lock) {
    if (lockCount_ == 0) OnChangeEvent = OnEditValueChangedEvent = false;
    ++lockCount_;
    return;
  }
  if (lockCount_ == 0) return;
  if (--lockCount_ > 0 || !invoke) return;
  TComponent* component = edit_->EditComponent();
  if (component && (component->ComponentState().Contains(csDestroying) ||
                    component->ComponentState().Contains(csLoading)))
    return;
  if (OnChangeEvent && edit_->HasChangeHandlers()) edit_->FireChange();
  if (OnEditValueChangedEvent && edit_->HasEditValueChangedHandlers()) edit_->DoEditValueChanged();
}
