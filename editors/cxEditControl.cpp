// The editor control base: value storage, validation, posting, change events, the repository
// item, keys and focus.
#include <algorithm>

#include "data/cxVariants.h"
#include "editors/cxEdit.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "user/WinUser.h"
#include "vcl/Forms.h"

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomEdit) {
  // Written through the defined properties only.
  p.Int("Height", &TcxCustomEdit::AutoSizedHeight, &TControl::SetHeight).Stored(false);
  p.Int("Width", &TControl::Width, &TControl::SetWidth).Stored(false);
}

namespace {
// Runs a step with a flag set, restoring it afterwards (also on an exception).
class TFlagScope {
 public:
  TFlagScope(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
  ~TFlagScope() { flag_ = saved_; }

 private:
  bool& flag_;
  bool saved_;
};

// A copy painted of the edit (a data-bound row repeated) paints its parts too.
void MarkReplicatable(TControl* control) {
  control->ControlStyle().Include(csReplicatable);
  if (auto* parent = dynamic_cast<TWinControl*>(control))
    for (Integer i = 0; i < parent->ControlCount(); ++i) MarkReplicatable(parent->Controls(i));
}
}  // namespace

// ---- life --------------------------------------------------------------------------------------

namespace {
// Set by CreateInplace for the constructor it runs.
bool inplaceRequested = false;
}  // namespace

TcxCustomEdit* TcxCustomEdit::CreateInplace(TClass edit_class, TComponent* owner) {
  inplaceRequested = true;
  try {
    TObject* made = edit_class->Create(owner);
    inplaceRequested = false;
    return static_cast<TcxCustomEdit*>(made);
  } catch (...) {
    inplaceRequested = false;
    throw;
  }
}

TcxCustomEdit::TcxCustomEdit(TComponent* owner, bool in_place, TClass properties_class)
    : TcxContainer(owner), propertiesClass_(properties_class), inPlace_(in_place || inplaceRequested) {
  inplaceRequested = false;
  InitializeCxEdit();
  // Owned by the edit but no component of it: form text holds no timer.
  doubleClickTimer_ = new TcxTimer(nullptr);
  doubleClickTimer_->SetEnabled(false);
  doubleClickTimer_->SetInterval(GetDoubleClickTime());
  doubleClickTimer_->SetOnTimer([this](TObject*) { doubleClickTimer_->SetEnabled(false); });
  catcher_ = std::make_unique<TcxEditChangeEventsCatcher>(this);
  properties_.reset(static_cast<TcxCustomEditProperties*>(properties_class->Create(this)));
  ControlStyle().Include(csCaptureMouse);
  ControlStyle().Include(csSetCaption);
  ControlStyle().Include(csReplicatable);
  SetTabStop(true);
  autoSize_ = !inPlace_;
  editValue_ = Null();
  HookProperties(true);
  // In place every key reaches the edit, Tab too (there is no inner edit to take it).
  if (inPlace_) {
    TcxWantedKeys keys = WantedKeys();
    keys.Include(wkAll);
    keys.Include(wkArrows);
    keys.Include(wkTab);
    SetWantedKeys(keys);
  }
  // The binding (and with it the own properties' provider) is made on first use, when the
  // descendant's binding class can count.
}

TcxCustomEdit::~TcxCustomEdit() {
  delete doubleClickTimer_;
  doubleClickTimer_ = nullptr;
  if (repositoryItem_) repositoryItem_->RemoveListener(this);
  repositoryItem_ = nullptr;
  HookProperties(false);
  if (!inPlace_) properties_->ClearDefaultValuesProvider();
  dataBinding_.reset();
  properties_.reset();
}

TcxEditDataBinding* TcxCustomEdit::DataBinding() {
  if (!dataBinding_) {
    dataBinding_.reset(CreateDataBinding());
    if (!inPlace_ && !repositoryItem_)
      properties_->AttachDefaultValuesProvider(dataBinding_->GetDefaultValuesProvider());
  }
  return dataBinding_.get();
}

// ---- view data, loading, parent ------------------------------------------------------------------

TcxCustomEditStyle* TcxCustomEdit::GetActiveEditStyle() {
  return dynamic_cast<TcxCustomEditStyle*>(StyleForCurrentState());
}

const TcxEditContentMetrics& TcxCustomEdit::CachedContentMetrics() {
  if (!contentMetricsCached_) {
    std::unique_ptr<TcxCustomEditViewData> view_data(
        GetEffectiveProperties()->CreateViewData(GetActiveEditStyle(), inPlace_));
    contentMetrics_ = view_data->ContentMetrics;
    contentMetricsCached_ = true;
  }
  return contentMetrics_;
}

TcxCustomEditViewData* TcxCustomEdit::CreateViewData() {
  TcxCustomEditViewData* view_data =
      GetEffectiveProperties()->CreateViewData(GetActiveEditStyle(), inPlace_);
  // An in-place edit measures its content metrics once and reuses them over every cell.
  if (inPlace_) view_data->ContentMetrics = CachedContentMetrics();
  view_data->Edit = InDestruction() ? nullptr : this;
  FillViewInfoState(view_data);
  return view_data;
}

void TcxCustomEdit::FillViewInfoState(TcxCustomEditViewData* view_data) {
  view_data->Enabled = Enabled();
  view_data->Focused = HasFocusInside();
  view_data->DesignMode = ComponentState().Contains(csDesigning);
  // Shown scroll bars take their place out of the client area.
  view_data->HScrollBarHeight = IsHScrollBarShown() ? HorizontalBar()->Height() : 0;
  view_data->VScrollBarWidth = IsVScrollBarShown() ? VerticalBar()->Width() : 0;
}

void TcxCustomEdit::FrameExtent(TRect& extent) {
  TcxContainerViewInfo* view_info = ViewInfo();
  if (view_info->OuterRect.IsEmpty()) {
    // Not laid out yet: the style's answer.
    TcxContainer::FrameExtent(extent);
    return;
  }
  const TRect& outer = view_info->OuterRect;
  const TRect& border = view_info->InteriorRect;
  extent = TRect(border.Left - outer.Left, border.Top - outer.Top, outer.Right - border.Right,
                 outer.Bottom - border.Bottom);
}

TcxContainerStyleValues TcxCustomEdit::UnstoredStyleValues() {
  return {svButtonStyle, svButtonTransparency, svPopupBorderStyle, svGradientButtons};
}

bool TcxCustomEdit::UsesThemes() { return TcxCustomEditViewData::IsNativeStyle(Style()->LookAndFeel()); }

void TcxCustomEdit::Loading() {
  TcxContainer::Loading();
  HookProperties(false);
}

void TcxCustomEdit::Loaded() {
  TcxContainer::Loaded();
  LockChangeEvents(true);
  LockValueAssignment(true);
  try {
    DataBinding()->RefreshBindingState();
    RefreshStateAtCursor(false);
    if (!repositoryItem_) HookProperties(true);
    PropertiesChanged(GetEffectiveProperties());
    ViewInfo()->HasShadow = false;
    ApplyStyleToControl(Style());
  } catch (...) {
    LockValueAssignment(false);
    LockChangeEvents(false, false);
    throw;
  }
  LockValueAssignment(false);
  LockChangeEvents(false, false);
}

void TcxCustomEdit::SetName(const String& value) {
  TcxContainer::SetName(value);
  DataBinding()->RefreshBindingState();
}

void TcxCustomEdit::SetParent(TWinControl* parent) {
  if (firstParent_ && parent) {
    firstParent_ = false;
    // The kind's parts (inner edit, scroll parts) exist by now.
    MarkReplicatable(this);
    DataBinding()->RefreshBindingState();
    PropertiesChanged(properties_.get());
    DataBinding()->SynchronizeEditor();
  }
  TcxContainer::SetParent(parent);
}

void TcxCustomEdit::GetTabOrderList(std::vector<TWinControl*>& list) {
  TcxContainer::GetTabOrderList(list);
  // A shown in-place edit stands for its host in the tab order.
  if (inPlace_ && Visible() && Parent())
    list.erase(std::remove(list.begin(), list.end(), Parent()), list.end());
}

void TcxCustomEdit::RequestAlign() {
  TcxContainer::RequestAlign();
  RefreshStateAtCursor(false);
}

void TcxCustomEdit::PaintBorderAndContent() {
  if (!InDestruction() && ControlState().Contains(csPaintCopy) &&
      DataBinding()->GetDefaultValuesProvider()->IsDataStorage()) {
    PaintWithoutInnerEdit();
    return;
  }
  TcxContainer::PaintBorderAndContent();
}

void TcxCustomEdit::PaintWithoutInnerEdit() {
  // A copy of a data-bound edit shows the stored value, laid out without the cursor.
  ClipToWindowRegion();
  std::unique_ptr<TcxCustomEditViewInfo> view_info(GetEffectiveProperties()->CreateViewInfo());
  std::unique_ptr<TcxCustomEditViewData> view_data(CreateViewData());
  Variant value;
  DataBinding()->GetStoredValue(value);
  view_data->FillDisplayText(Canvas(), value, view_info.get());
  view_data->CalculateViewInfo(Canvas(), TRect(0, 0, Width(), Height()), TPoint(-1, -1), 0, {},
                               view_info.get(), false);
  view_info->PaintTo(Canvas());
  Canvas()->ExcludeFromClip(TRect(0, 0, Width(), Height()));
}

void TcxCustomEdit::HookProperties(bool hook) {
  if (hook)
    properties_->PropertiesChangedHandler = [this](TObject*) { PropertiesChanged(properties_.get()); };
  else
    properties_->PropertiesChangedHandler = nullptr;
}

// ---- properties and repository item -----------------------------------------------------------

TcxCustomEditProperties* TcxCustomEdit::GetEffectiveProperties() {
  if (!repositoryItem_) return properties_.get();
  TcxCustomEditProperties* shared = repositoryItem_->Properties();
  shared->AttachDefaultValuesProvider(DataBinding()->GetDefaultValuesProvider());
  return shared;
}

bool TcxCustomEdit::CanAcceptRepositoryItem(TcxEditRepositoryItem* item) {
  return !item || item->Properties()->ClassType()->InheritsFrom(GetPropertiesClass());
}

void TcxCustomEdit::SetRepositoryItem(TcxEditRepositoryItem* item) {
  if (item == repositoryItem_) return;
  if (!CanAcceptRepositoryItem(item))
    throw EcxEditError(ReplaceResourceText("The repository item is not acceptable"));
  RepositoryItemChanging();
  if (repositoryItem_) {
    repositoryItem_->RemoveListener(this);
    repositoryItem_->RemoveFreeNotification(this);
  }
  repositoryItem_ = item;
  const bool quiet = ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying);
  if (item) {
    item->AddListener(this);
    item->FreeNotification(this);
    properties_->ClearDefaultValuesProvider();
    if (!quiet) PropertiesChanged(item->Properties());
    HookProperties(false);
  } else {
    if (!quiet) HookProperties(true);
    properties_->AttachDefaultValuesProvider(DataBinding()->GetDefaultValuesProvider());
    if (!quiet) PropertiesChanged(properties_.get());
  }
  RepositoryItemChanged();
}

void TcxCustomEdit::ItemRemoved(TcxEditRepositoryItem* item) {
  if (item == repositoryItem_) repositoryItem_ = nullptr;
}

void TcxCustomEdit::ItemPropertiesChanged(TcxEditRepositoryItem* item) {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  PropertiesChanged(item->Properties());
}

void TcxCustomEdit::Notification(TComponent* component, TOperation operation) {
  TcxContainer::Notification(component, operation);
  if (operation == opRemove && repositoryItem_ && component == repositoryItem_)
    SetRepositoryItem(nullptr);
}

void TcxCustomEdit::PropertiesChanged(TcxCustomEditProperties* properties) {
  validated_ = false;
  if (IsReadOnlyOrNoData()) SetChangedSinceEnter(false);
  transparent_ = properties->Transparent() || transparent_;
  if (!ComponentState().Contains(csDestroying)) RefreshStateAtCursor(false);
}

bool TcxCustomEdit::IsReadOnlyOrNoData() {
  return GetEffectiveProperties()->ReadOnly() || !DataBinding()->HasDataAvailable();
}

bool TcxCustomEdit::CanAutoWidth() { return GetEffectiveProperties()->ButtonsViewMode() == 2; }

void TcxCustomEdit::ChangeAutoSize(bool value) {
  if (inPlace_ || value == autoSize_) return;
  autoSize_ = value;
  if (value && Parent()) {
    HandleNeeded();
    AlignInnerControl();
  }
}

void TcxCustomEdit::CalculateAutoSize(Integer& width, Integer& height) {
  if (!CanAutoHeight()) return;
  std::unique_ptr<TcxCustomEditViewData> view_data(CreateViewData());
  TSize size;
  MeasureEditValueExtent(view_data.get(), SharedScreenCanvas(), ReadEditValue(),
                         GetEditSizeProperties(), nullptr, size);
  const TAlign align = Align();
  if (CanAutoWidth() && align != alTop && align != alBottom && align != alClient && align != alCustom)
    width = size.cx;
  if (align != alLeft && align != alRight && align != alClient && align != alCustom) height = size.cy;
}

Integer TcxCustomEdit::AutoSizedHeight() const {
  auto* self = const_cast<TcxCustomEdit*>(this);
  if (self->HandleAllocated() && !self->InDestruction()) self->AlignInnerControl();
  return Height();
}

void TcxCustomEdit::DefineProperties(TFiler* filer) {
  TcxContainer::DefineProperties(filer);
  auto* ancestor = dynamic_cast<TcxCustomEdit*>(filer->Ancestor());
  const bool height_stored = !CanAutoHeight() && (!ancestor || ancestor->Height() != Height());
  const bool width_stored =
      !(CanAutoHeight() && CanAutoWidth()) && (!ancestor || ancestor->Width() != Width());
  filer->DefineProperty(
      "Height", [this](TReader& reader) { SetHeight(Integer(reader.ReadInteger())); },
      [this](TWriter& writer) { writer.WriteInteger(Height()); }, height_stored);
  filer->DefineProperty(
      "Width", [this](TReader& reader) { SetWidth(Integer(reader.ReadInteger())); },
      [this](TWriter& writer) { writer.WriteInteger(Width()); }, width_stored);
}

bool TcxCustomEdit::CanResize(Integer& width, Integer& height) {
  if (!TcxContainer::CanResize(width, height)) return false;
  if (!ComponentState().Contains(csLoading)) CalculateAutoSize(width, height);
  return true;
}

void TcxCustomEdit::AlignInnerControl() {
  if (HandleAllocated() && !InDestruction() && !inAutoSize_) {
    Integer width = Width(), height = Height();
    CalculateAutoSize(width, height);
    if (width != Width() || height != Height()) {
      inAutoSize_ = true;
      try {
        SetBounds(Left(), Top(), width, height);
      } catch (...) {
        inAutoSize_ = false;
        throw;
      }
      inAutoSize_ = false;
    }
  }
  TcxContainer::AlignInnerControl();
}

void TcxCustomEdit::PrepareDisplayValue(const Variant& edit_value, Variant& display_value,
                                        bool edit_focused) {
  GetEffectiveProperties()->PrepareDisplayValue(edit_value, display_value, edit_focused);
}

bool TcxCustomEdit::InEditingMode() {
  return Focused() || !GetEffectiveProperties()->EditingModeNeedsFocus();
}

// ---- modification --------------------------------------------------------------------------------

void TcxCustomEdit::SetModifiedFlag(bool value) {
  modified_ = value;
  if (!value) changedSinceEnter_ = false;
}

void TcxCustomEdit::SetChangedSinceEnter(bool value) {
  changedSinceEnter_ = value;
  if (value) {
    modified_ = true;
    validated_ = false;
  }
}

void TcxCustomEdit::PushModifiedState() { savedStates_.push_back({modified_, changedSinceEnter_}); }

void TcxCustomEdit::PopModifiedState() {
  if (savedStates_.empty()) return;
  modified_ = savedStates_.back().modified;
  changedSinceEnter_ = savedStates_.back().changedSinceEnter;
  savedStates_.pop_back();
}

void TcxCustomEdit::ModifiedByUser() {
  SetChangedSinceEnter(true);
  if (valueAssignmentCount_ == 0) Click();
}

void TcxCustomEdit::DataChanged() {
  if (Focused())
    SetChangedSinceEnter(true);
  else
    DataBinding()->UpdateUnfocused();
  NotifyChange();
}

bool TcxCustomEdit::IsEditableEffective() {
  TcxCustomEditProperties* properties = GetEffectiveProperties();
  if (inPlace_) return properties->CanModifyEditValue();
  if (properties->AssignedValues()->ReadOnly()) return !properties->ReadOnly();
  IcxEditDefaultValuesProvider* provider = DataBinding()->GetDefaultValuesProvider();
  return provider->DefaultCanModify() && provider->CanSetEditMode();
}

bool TcxCustomEdit::CanModify() {
  if (!CanModifyEdit()) return false;
  if (DataBinding()->IsModified()) return true;
  TFlagScope scope(inOnEditing_, true);
  bool can_edit = IsEditableEffective();
  if (can_edit && OnEditing) {
    LockEditValueChanges(true);
    try {
      OnEditing(this, can_edit);
    } catch (...) {
      LockEditValueChanges(false);
      throw;
    }
    LockEditValueChanges(false);
  }
  if (!inPlace_ && can_edit) {
    LockEditValueChanges(true);
    try {
      can_edit = DataBinding()->CanModifyData();
    } catch (...) {
      LockEditValueChanges(false);
      throw;
    }
    LockEditValueChanges(false);
  }
  return can_edit;
}

bool TcxCustomEdit::AcceptsChar(char32_t c) {
  IcxEditDefaultValuesProvider* provider = GetEffectiveProperties()->DefaultValuesProvider();
  return !provider || provider->IsValidChar(c) || provider->IsOnSetTextAssigned();
}

// ---- value ----------------------------------------------------------------------------------------

void TcxCustomEdit::LockEditValueChanges(bool lock) {
  if (lock)
    ++editValueChangeLock_;
  else if (editValueChangeLock_ > 0)
    --editValueChangeLock_;
}

void TcxCustomEdit::LockValueAssignment(bool lock) {
  if (lock)
    ++valueAssignmentCount_;
  else if (valueAssignmentCount_ > 0)
    --valueAssignmentCount_;
}

void TcxCustomEdit::WriteEditValue(const Variant& value) {
  if (editValueChangeLock_ > 0) return;
  LockValueAssignment(true);
  try {
    if (!userChange_ || CanModify()) InternalSetEditValue(value, true);
  } catch (...) {
    LockValueAssignment(false);
    throw;
  }
  LockValueAssignment(false);
}

void TcxCustomEdit::SetInternalEditValue(const Variant& value) {
  if (editValueChangeLock_ > 0) return;
  if (!userChange_ || CanModify()) InternalSetEditValue(value, true);
}

void TcxCustomEdit::InternalSetEditValue(const Variant& value, bool) {
  if (userChange_ && !CanModify()) return;
  TcxCustomEditProperties* properties = GetEffectiveProperties();
  bool changed = false;
  if (properties->ComparesEditValues())
    changed = value.VarType() != editValue_.VarType() || !SameVariantValues(value, editValue_);
  editValue_ = value;
  SynchronizeDisplayValue();
  if (userChange_)
    SetChangedSinceEnter(true);
  else
    SetModifiedFlag(false);
  if (changed) {
    NotifyEditValueChanged();
    if (!properties->IsDisplayTextKind()) NotifyChange();
  }
}

void TcxCustomEdit::SetDisplayValue(const Variant& value) {
  PushModifiedState();
  try {
    InternalSetDisplayValue(value);
  } catch (...) {
    PopModifiedState();
    throw;
  }
  PopModifiedState();
}

Variant TcxCustomEdit::GetCurrentValue() {
  if (Focused() && !validated_ && changedSinceEnter_) return GetDisplayValue();
  return ReadEditValue();
}

// ---- change events ----------------------------------------------------------------------------------

bool TcxCustomEdit::HasChangeHandlers() {
  return properties_->OnChange || GetEffectiveProperties()->OnChange;
}

bool TcxCustomEdit::HasEditValueChangedHandlers() {
  return properties_->OnEditValueChanged || GetEffectiveProperties()->OnEditValueChanged;
}

bool TcxCustomEdit::HasValidateHandlers() {
  return properties_->OnValidate || GetEffectiveProperties()->OnValidate;
}

void TcxCustomEdit::FireChange() {
  if (properties_->OnChange) properties_->OnChange(this);
  if (repositoryItem_ && repositoryItem_->Properties()->OnChange)
    repositoryItem_->Properties()->OnChange(this);
}

void TcxCustomEdit::DoEditValueChanged() {
  if (properties_->OnEditValueChanged) properties_->OnEditValueChanged(this);
  if (repositoryItem_ && repositoryItem_->Properties()->OnEditValueChanged)
    repositoryItem_->Properties()->OnEditValueChanged(this);
}

void TcxCustomEdit::FireValidateEvents(Variant& display_value, String& error_text, bool& error) {
  if (properties_->OnValidate) properties_->OnValidate(this, display_value, error_text, error);
  if (repositoryItem_ && repositoryItem_->Properties()->OnValidate)
    repositoryItem_->Properties()->OnValidate(this, display_value, error_text, error);
}

void TcxCustomEdit::DoButtonClick(Integer index) {
  if (properties_->OnButtonClick) properties_->OnButtonClick(this, index);
  if (repositoryItem_ && repositoryItem_->Properties()->OnButtonClick)
    repositoryItem_->Properties()->OnButtonClick(this, index);
}

void TcxCustomEdit::NotifyPopupClosed(Integer reason) {
  if (properties_->OnPopupClosed) properties_->OnPopupClosed(this, reason);
  if (repositoryItem_ && repositoryItem_->Properties()->OnPopupClosed)
    repositoryItem_->Properties()->OnPopupClosed(this, reason);
}

// The handler of an in-place edit sees it modified while it runs.
void TcxCustomEdit::FireChangeEvent(void (TcxCustomEdit::*fire)()) {
  if (!inPlace_) {
    (this->*fire)();
    return;
  }
  PushModifiedState();
  SetChangedSinceEnter(true);
  try {
    (this->*fire)();
  } catch (...) {
    PopModifiedState();
    throw;
  }
  PopModifiedState();
}

void TcxCustomEdit::NotifyChange() {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  if (HasChangeHandlers()) {
    if (catcher_->IsLocked())
      catcher_->OnChangeEvent = true;
    else
      FireChangeEvent(&TcxCustomEdit::FireChange);
  }
  TcxCustomEditProperties* properties = GetEffectiveProperties();
  if (!properties->IsDisplayTextKind() && !properties->ComparesEditValues()) NotifyEditValueChanged();
}

void TcxCustomEdit::NotifyEditValueChanged() {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  if (!HasEditValueChangedHandlers()) return;
  if (catcher_->IsLocked())
    catcher_->OnEditValueChangedEvent = true;
  else
    FireChangeEvent(&TcxCustomEdit::DoEditValueChanged);
}

Integer TcxCustomEdit::DefaultButtonIndex() {
  TcxEditButtons* buttons = GetEffectiveProperties()->Buttons();
  for (Integer i = 0; i < buttons->Count(); ++i)
    if (buttons->GetButton(i)->Default()) return i;
  return -1;
}

void TcxCustomEdit::ClickDefaultButton() {
  const Integer index = DefaultButtonIndex();
  if (index >= 0) DoButtonClick(index);
}

bool TcxCustomEdit::IsClickKey(Word key, TShiftState shift) {
  return DefaultButtonIndex() >= 0 && ShortCut(key, shift) == GetEffectiveProperties()->ClickKey();
}

void TcxCustomEdit::Click() {
  if (ComponentState().Contains(csDestroying) || valueAssignmentCount_ > 0) return;
  if (ComponentState().Contains(csLoading) && !ClickWhileLoading()) return;
  TcxContainer::Click();
}

// ---- validation and posting -----------------------------------------------------------------------

bool TcxCustomEdit::ValidateEdit(bool raise_on_error) {
  if (!changedSinceEnter_ || validated_) return true;
  Variant display_value = CurrentDisplayText();
  bool error = false;
  String error_text;
  TcxCustomEditProperties* properties = GetEffectiveProperties();
  if (properties->CanValidate())
    properties->ValidateDisplayValue(display_value, error_text, error, this);
  if (error) {
    if (!raise_on_error) return false;
    // The error step lets messages run: the edit may be freed meanwhile, and then it is not
    // touched again.
    TWeakRef<TcxCustomEdit> self(this);
    auto restore = [&] {
      if (!self) return;
      if (AnsiCompareStr(VarToStr(CurrentDisplayText()), VarToStr(display_value)) != 0)
        SetValidatedDisplayValue(display_value);
      if (Visible()) {
        SelectWholeText();
        if (!IsInnerEditShown()) RefreshDisplayText();
      }
    };
    try {
      HandleValidationError(error_text);
      Application->ProcessMessages();
    } catch (...) {
      restore();
      throw;
    }
    restore();
    return false;
  }
  if (!userChange_ || CanModify()) {
    SetDisplayValue(display_value);
    if (!inPlace_ && !Focused()) SetChangedSinceEnter(false);
    validated_ = true;
  }
  return true;
}

void TcxCustomEdit::HandleValidationError(const String& error_text) {
  if (!CanFocus()) {
    validated_ = true;
    return;
  }
  TWeakRef<TcxCustomEdit> self(this);
  if (Visible() && !Focused()) {
    // Focusing runs messages: the flag is put back only on a live edit.
    focusingForError_ = true;
    try {
      ActiveInnerControl()->SetFocus();
    } catch (...) {
      if (self) focusingForError_ = false;
      throw;
    }
    if (!self) return;
    focusingForError_ = false;
  }
  SelectWholeText();
  if (GetEffectiveProperties()->BeepOnError()) MessageBeep(0);
  if (!error_text.empty()) throw EcxEditValidationError(error_text);
}

bool TcxCustomEdit::CanPostEditValue() {
  if (ComponentState().Contains(csDesigning)) return false;
  return DataBinding()->ShouldPostEditorValue();
}

void TcxCustomEdit::PostEditValue(bool validate_first) {
  if (validate_first) {
    bool ok;
    {
      TFlagScope scope(userChange_, false);
      ok = ValidateEdit(true);
    }
    if (!ok) return;
  }
  BeginPostLock();
  try {
    if (inPlace_) {
      if (OnPostEditValue) OnPostEditValue(this);
      SetModifiedFlag(false);
    } else {
      DataBinding()->StoreValue(ReadEditValue());
    }
  } catch (...) {
    EndPostLock();
    if (inPlace_) return;
    HandleValidationError("");
    throw;
  }
  EndPostLock();
}

bool TcxCustomEdit::CanRestoreEnterValue() {
  return DataBinding()->GetDefaultValuesProvider()->IsDataStorage() ||
         GetEffectiveProperties()->CanResetEditValue();
}

void TcxCustomEdit::RestoreEnterValue() {
  if (!changedSinceEnter_ || !GetEffectiveProperties()->CanResetEditValue()) return;
  LockChangeEvents(true);
  try {
    SetChangedSinceEnter(false);
    Variant value = valueSavedOnEnter_;
    if (DataBinding()->GetDefaultValuesProvider()->IsDataStorage()) DataBinding()->GetStoredValue(value);
    SetInternalEditValue(value);
    SetModifiedFlag(true);
    SelectWholeText();
    if (GetEffectiveProperties()->ImmediatePost() && CanPostEditValue()) PostEditValue(false);
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
}
