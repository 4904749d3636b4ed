// The mask edit with a blank mask: its settings, the edit's routing (which falls back to the
// text edit while no mode applies), the filter helper and the unit start.
#include "editors/cxMaskEdit.h"

#include "vcl/Clipbrd.h"

#include "editors/cxEditPaintUtils.h"
#include "rtl/TypInfo.h"
#include "user/WinUser.h"

namespace {
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
  p.Enum("CharCase", &TMaskProps::CharCase, &TMaskProps::SetCharCase, EditCharCaseTypeInfo()).Default(ecNormal);
  p.Int("ClearKey", &TMaskProps::ClearKey, &TMaskProps::SetClearKey).Default(0);
  p.Enum("EchoMode", &TMaskProps::EchoMode, &TMaskProps::SetEchoMode, EditEchoModeTypeInfo()).Default(eemNormal);
  p.Str("EditMask", [](const TMaskProps* o) { return Mutable(o)->EditMask(); }, &TMaskProps::SetEditMask);
  p.Bool("HideSelection", &TMaskProps::HideSelection, &TMaskProps::SetHideSelection).Default(true);
  p.Bool("IgnoreMaskBlank", &TMaskProps::IgnoreMaskBlank, &TMaskProps::SetIgnoreMaskBlank).Default(false);
  p.Bool("IncrementalSearch", &TMaskProps::IncrementalSearch, &TMaskProps::SetIncrementalSearch).Default(true);
  p.Object("LookupItems", [](const TMaskProps* o) { return o->LookupItems(); }, &TMaskProps::SetLookupItems,
           TStringList::StaticClass());
  p.Bool("LookupItemsSorted", &TMaskProps::LookupItemsSorted, &TMaskProps::SetLookupItemsSorted).Default(false);
  p.Enum("MaskKind", &TMaskProps::MaskKind, &TMaskProps::SetMaskKind, EditMaskKindTypeInfo()).Default(emkStandard);
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

// The settings a mode reads, from the properties.
class TcxCustomMaskEditProperties::TModeSettings : public IcxMaskModeProperties {
 public:
  explicit TModeSettings(TcxCustomMaskEditProperties* p) : p_(p) {}
  bool BeepOnError() const override { return p_->BeepOnError(); }
  bool CaseInsensitive() const override { return p_->CaseInsensitive(); }
  TEditCharCase CharCase() const override { return p_->CharCase(); }
  bool IgnoreMaskBlank() const override { return p_->IgnoreMaskBlank(); }

 private:
  TcxCustomMaskEditProperties* p_;
};

TcxCustomMaskEditProperties::TcxCustomMaskEditProperties(TPersistent* owner)
    : TcxCustomTextEditProperties(owner), settings_(std::make_unique<TModeSettings>(this)) {
  SetValidateOnEnter(true);
}

TcxCustomMaskEditProperties::~TcxCustomMaskEditProperties() = default;

TClass TcxCustomMaskEditProperties::MaskModeClassFor(TcxEditMaskKind kind) {
  switch (kind) {
    case emkRegExpr: return TcxMaskEditRegExprMode::StaticClass();
    case emkRegExprEx: return TcxMaskEditRegExprExMode::StaticClass();
    default: return TcxMaskEditStandardMode::StaticClass();
  }
}

void TcxCustomMaskEditProperties::NotifyPropertiesChanged() {
  tempMode_.reset();
  TcxCustomTextEditProperties::NotifyPropertiesChanged();
}

TcxMaskEditCustomMode* TcxCustomMaskEditProperties::TemporaryMode() {
  const String mask = EditMask();
  if (!tempMode_ || tempMode_->ModeKind() != maskKind_ || tempMode_->Mask() != mask) {
    tempMode_ = CreateMaskEditMode(maskKind_, nullptr, settings_.get());
    tempMode_->SetModeMask(mask);
  }
  return tempMode_.get();
}

void TcxCustomMaskEditProperties::PrepareDisplayValue(const Variant& edit_value, Variant& display_value,
                                                      bool edit_focused) {
  IcxEditDefaultValuesProvider* provider = DefaultValuesProvider();
  if (!IsMasked() || (!edit_focused && provider && provider->DefaultDisplayFormat().size() > 0)) {
    TcxCustomTextEditProperties::PrepareDisplayValue(edit_value, display_value, edit_focused);
    return;
  }
  TcxMaskEditCustomMode* mode = TemporaryMode();
  const String text = VarIsNull(edit_value) ? String() : VarToStr(edit_value);
  if (edit_focused || mode->ModeKind() != emkStandard || alwaysShowBlanksAndLiterals_)
    display_value = Variant(mode->FormatText(text, false));
  else
    display_value = Variant(mode->EditValueOfText(text, false));
}

void TcxCustomMaskEditProperties::ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                                                       IcxEditValidator* edit) {
  if (!error && IsMasked()) {
    auto* mask_edit = dynamic_cast<TcxCustomMaskEdit*>(edit);
    TcxMaskEditCustomMode* mode = mask_edit && mask_edit->Mode() ? mask_edit->Mode() : TemporaryMode();
    if (!mode->IsTextValid(VarToStr(display_value))) {
      error = true;
      error_text = "The edit value is invalid";
    }
  }
  TcxCustomTextEditProperties::ValidateDisplayValue(display_value, error_text, error, edit);
}

void TcxCustomMaskEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomMaskEditProperties*>(source);
  if (!s) {
    TcxCustomTextEditProperties::Assign(source);
    return;
  }
  ChangeInUpdate([&] {
    TcxCustomTextEditProperties::Assign(source);
    SetMaskKind(s->MaskKind());
    SetEditMask(s->EditMask());
    SetCaseInsensitive(s->CaseInsensitive());
    SetIgnoreMaskBlank(s->IgnoreMaskBlank());
    SetAlwaysShowBlanksAndLiterals(s->AlwaysShowBlanksAndLiterals());
  });
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
  // A mode of the kind checks the mask first: an expression that does not compile raises
  // EcxMaskEditError and the mask is not stored.
  CreateMaskEditMode(maskKind_, nullptr, settings_.get())->SetModeMask(value);
  editMask_ = value;
  NotifyPropertiesChanged();
}

bool TcxCustomMaskEditProperties::IsMasked() { return !IsBlankMask(EditMask()); }

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
  try {
    ChangeInUpdate([&] { SetMaxLength(0); });
  } catch (...) {
    correctingMaxLength_ = false;
    throw;
  }
  correctingMaxLength_ = false;
}

// ---- edit -------------------------------------------------------------------------------------------

// What the mode sees of the edit and of its properties.
class TcxCustomMaskEdit::TModeLink : public IcxMaskModeEdit, public IcxMaskModeProperties {
 public:
  explicit TModeLink(TcxCustomMaskEdit* e) : e_(e) {}
  bool InnerEditAvailable() const override { return !e_->IsInnerEditUnavailable(); }
  bool HandleAllocated() const override { return e_->HandleAllocated(); }
  IcxMaskModeProperties* ModeProperties() const override { return const_cast<TModeLink*>(this); }
  String Text() const override { return e_->InnerTextEdit() ? e_->InnerTextEdit()->Text() : String(); }
  Integer SelStart() const override { return e_->InnerTextEdit() ? e_->InnerTextEdit()->TCustomEdit::SelStart() : 0; }
  Integer SelLength() const override {
    return e_->InnerTextEdit() ? e_->InnerTextEdit()->TCustomEdit::SelLength() : 0;
  }
  Integer CaretPos() const override { return e_->InnerTextEdit() ? e_->InnerTextEdit()->CaretIndex() : 0; }
  void SetSelStart(Integer value) override {
    e_->SetSelStart(value);
    if (e_->Mode()) e_->Mode()->NoteMouseAction();
  }
  void SetSelLength(Integer value) override {
    e_->SetSelLength(value);
    if (e_->Mode()) e_->Mode()->NoteMouseAction();
  }
  void SetSelStartGuarded(Integer value) override { e_->SetSelStartGuarded(value); }
  void SetSelLengthGuarded(Integer value) override { e_->SetSelLengthGuarded(value); }
  bool ShiftFlag() const override { return e_->shiftDown_; }
  void SetShiftFlag(bool value) override { e_->shiftDown_ = value; }
  void SendKeyDown(Word key) override { e_->SendKeyDown(key); }
  void SendChar(char32_t c) override { e_->SendChar(c); }
  void SetValidatedDisplayValue(const String& text) override { e_->SetValidatedDisplayValue(Variant(text)); }
  void SetInternalEditValue(const String& text) override { e_->SetInternalEditValue(Variant(text)); }
  bool ValidateMaskChar(char32_t& c, Integer position) override { return e_->ValidateMaskChar(c, position); }
  bool ModifiedAfterEnter() const override { return e_->ChangedSinceEnter(); }
  String PreparedDisplayValue() const override {
    Variant display;
    e_->PrepareDisplayValue(e_->EditValue(), display, e_->InEditingMode());
    return VarToStr(display);
  }
  void Beep() override { MessageBeep(0); }
  bool BeepOnError() const override { return e_->EffectiveMaskProperties()->BeepOnError(); }
  bool CaseInsensitive() const override { return e_->EffectiveMaskProperties()->CaseInsensitive(); }
  TEditCharCase CharCase() const override { return e_->EffectiveMaskProperties()->CharCase(); }
  bool IgnoreMaskBlank() const override { return e_->EffectiveMaskProperties()->IgnoreMaskBlank(); }

 private:
  TcxCustomMaskEdit* e_;
};

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
}  // namespace

TcxCustomMaskEdit::TcxCustomMaskEdit(TComponent* owner, bool in_place, TClass properties_class,
                                     TClass inner_edit_class)
    : TcxCustomTextEdit(owner, in_place, properties_class, inner_edit_class),
      link_(std::make_unique<TModeLink>(this)) {
  InitializeCxMaskEdit();
  NewMode(emkStandard);
  TcxCustomMaskEditProperties* p = EffectiveMaskProperties();
  p->SetEmptyMaskText(p->IsMasked() ? mode_->EmptyEditValueText() : String());
  PropertiesChanged(GetEffectiveProperties());
}

TcxCustomMaskEdit::~TcxCustomMaskEdit() { mode_.reset(); }

void TcxCustomMaskEdit::NewMode(TcxEditMaskKind kind) { mode_ = CreateMaskEditMode(kind, link_.get(), nullptr); }

void TcxCustomMaskEdit::ReapplyText() { InternalSetDisplayValue(Variant(Text())); }

void TcxCustomMaskEdit::SetSelStartGuarded(Integer value) {
  TFlagScope scope(guardedSelection_, true);
  SetSelStart(value);
}

void TcxCustomMaskEdit::SetSelLengthGuarded(Integer value) {
  TFlagScope scope(guardedSelection_, true);
  SetSelLength(value);
}

// Keys and characters go to the inner edit's window, whose own processing the modes rely on.
void TcxCustomMaskEdit::SendKeyDown(Word key) {
  if (!InnerTextEdit() || !InnerTextEdit()->HandleAllocated()) return;
  TFlagScope scope(sendingKey_, true);
  SendMessage(InnerTextEdit()->Handle(), WM_KEYDOWN, key, 0);
}

void TcxCustomMaskEdit::SendChar(char32_t c) {
  if (!InnerTextEdit() || !InnerTextEdit()->HandleAllocated()) return;
  TFlagScope scope(sendingKey_, true);
  SendMessage(InnerTextEdit()->Handle(), WM_CHAR, WPARAM(c), 0);
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

void TcxCustomMaskEdit::SynchronizeModeText(const String& text) {
  if (mode_ && IsMasked() && CanSynchronizeModeText()) mode_->SetModeText(text);
}

void TcxCustomMaskEdit::PropertiesChanged(TcxCustomEditProperties* properties) {
  auto* p = dynamic_cast<TcxCustomMaskEditProperties*>(properties);
  if (!p || !mode_ || !link_) {
    TcxCustomTextEdit::PropertiesChanged(properties);
    return;
  }
  bool kind_changed = false, case_changed = false, mask_changed = false;
  bool echo_changed = false;
  Integer sel_start = 0, sel_length = 0;
  p->SuppressChanges(true);
  try {
    String mask = p->EditMask();
    mask_changed = mask != mode_->Mask() || p->InFormatChange();
    kind_changed = mode_->ModeKind() != p->MaskKind();
    case_changed = p->CharCase() != mode_->CharCase();
    bool cleared = false;
    if (kind_changed) {
      const bool regexpr_before = mode_->ModeKind() != emkStandard, regexpr_after = p->MaskKind() != emkStandard;
      NewMode(p->MaskKind());
      // The standard and the regular-expression syntaxes differ: a kind switch across them
      // drops the own mask (one assigned together with the kind comes back below).
      if (regexpr_before != regexpr_after && !p->OwnEditMask().empty()) {
        p->editMask_.clear();
        cleared = true;
      }
      mode_->SetModeMask(p->EditMask());
      if (p->IsMasked()) mode_->RefreshDisplayValue();
      p->SetEmptyMaskText(p->IsMasked() ? mode_->EmptyEditValueText() : String());
    }
    if (mask_changed) {
      if (p->MaxLength() != 0) p->SetMaxLength(0);
      mode_->SetModeMask(mask);
      if (cleared) p->editMask_ = mask;
      if (p->IsMasked()) {
        mode_->RefreshDisplayValue();
      } else if (mode_->ModeKind() == emkStandard && HandleAllocated() && SelLength() == 1) {
        SetSelLength(0);
      }
      p->SetEmptyMaskText(p->IsMasked() ? mode_->EmptyEditValueText() : String());
    }
    if (case_changed) {
      if (p->CharCase() == ecNormal) {
        if (QueryInnerTextEdit()) QueryInnerTextEdit()->SetCharCase(ecNormal);
        mode_->RefreshDisplayValue();
      }
      mode_->SetCharCase(p->CharCase());
    }
    echo_changed = Byte(p->EchoMode()) != mode_->EchoMode();
    if (echo_changed && HandleAllocated()) {
      sel_start = SelStart();
      sel_length = SelLength();
    }
    const bool unavailable = IsInnerEditUnavailable();
    if ((unavailable || !VarIsNull(EditValue())) && p->IsMasked()) mode_->ApplyEmptyEditValue();
  } catch (...) {
    p->SuppressChanges(false);
    throw;
  }
  p->SuppressChanges(false);
  if (auto* r = dynamic_cast<TcxMaskEditRegExprMode*>(mode_.get()))
    if (r->RegExpr()) r->RegExpr()->SetCaseInsensitive(p->CaseInsensitive());
  // A mask decides the length itself.
  if (p->IsMasked() && p->MaxLength() != 0) p->SetMaxLength(0);
  TcxCustomTextEdit::PropertiesChanged(properties);
  if (echo_changed) {
    if (HandleAllocated()) SelectRange(sel_start, sel_length);
    mode_->SetEchoMode(Byte(p->EchoMode()));
  }
  if ((kind_changed || case_changed || mask_changed) && !IsInnerEditUnavailable())
    cachedEditText_ = mode_->EditValueOfText(InnerTextEdit()->Text(), true);
}

String TcxCustomMaskEdit::ShownText(const String& text, bool literals_included) {
  TcxCustomMaskEditProperties* p = EffectiveMaskProperties();
  if (Focused() || mode_->ModeKind() != emkStandard || p->AlwaysShowBlanksAndLiterals())
    return mode_->FormatText(text, literals_included);
  return mode_->EditValueOfText(text, literals_included);
}

void TcxCustomMaskEdit::InternalSetDisplayValue(const Variant& value) {
  if (!IsMasked() || IsLoading() || !mode_) {
    TcxCustomTextEdit::InternalSetDisplayValue(value);
    return;
  }
  TcxCustomTextEdit::InternalSetDisplayValue(Variant(ShownText(VarToStr(value), true)));
  SynchronizeModeText(Text());
}

void TcxCustomMaskEdit::SynchronizeDisplayValue() {
  TcxCustomTextEdit::SynchronizeDisplayValue();
  if (IsMasked()) SynchronizeModeText(Text());
}

void TcxCustomMaskEdit::DisplayToEditValue(const Variant& display_value, Variant& edit_value, bool edit_focused) {
  if (!IsMasked() || !mode_) {
    TcxCustomTextEdit::DisplayToEditValue(display_value, edit_value, edit_focused);
    return;
  }
  const String text = VarToStr(display_value);
  if (edit_focused || mode_->ModeKind() != emkStandard) {
    edit_value = Variant(mode_->EditValueOfText(text, true));
    return;
  }
  auto* standard = static_cast<TcxMaskEditStandardMode*>(mode_.get());
  if (standard->StandardMask() && !standard->StandardMask()->SaveLiterals() &&
      EffectiveMaskProperties()->AlwaysShowBlanksAndLiterals())
    edit_value = Variant(mode_->EditValueOfText(text, true));
  else
    TcxCustomTextEdit::DisplayToEditValue(display_value, edit_value, edit_focused);
}

void TcxCustomMaskEdit::DataChanged() {
  if (mode_ && !IsInnerEditUnavailable()) cachedEditText_ = mode_->EditValueOfText(InnerTextEdit()->Text(), true);
  TcxCustomTextEdit::DataChanged();
}

void TcxCustomMaskEdit::TextForGetText(String& text) {
  if (IsMasked()) text = cachedEditText_;
  else TcxCustomTextEdit::TextForGetText(text);
}

bool TcxCustomMaskEdit::ApplyWindowText(const String& text) {
  if (!IsMasked()) return TcxCustomTextEdit::ApplyWindowText(text);
  SetInternalEditValue(Variant(text));
  WriteEditValue(Variant(cachedEditText_));
  return true;
}

void TcxCustomMaskEdit::Loaded() {
  TcxCustomTextEdit::Loaded();
  if (!IsMasked()) return;
  LockChangeEvents(true);
  try {
    ReapplyText();
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
}

void TcxCustomMaskEdit::InnerSelectionChanged(TObject* sender) {
  TcxCustomTextEdit::InnerSelectionChanged(sender);
  if (mode_ && IsMasked() && !guardedSelection_) mode_->NoteMouseAction();
}

void TcxCustomMaskEdit::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  if (button == mbLeft && mode_ && IsMasked()) mode_->NoteMouseAction();
  TcxCustomTextEdit::MouseDown(button, shift, x, y);
}

void TcxCustomMaskEdit::MouseMove(TShiftState shift, Integer x, Integer y) {
  if (shift.Contains(ssLeft) && mode_ && IsMasked()) {
    TFlagScope scope(shiftDown_, true);
    mode_->NoteMouseAction();
  }
  TcxCustomTextEdit::MouseMove(shift, x, y);
}

void TcxCustomMaskEdit::DoEnter() {
  // Entering selects the whole text: the mode takes the rest of the text into its head first.
  if (mode_ && IsMasked() && EffectiveMaskProperties()->AutoSelect()) mode_->AbsorbRest();
  TcxCustomTextEdit::DoEnter();
}

void TcxCustomMaskEdit::DblClick() {
  if (mode_ && IsMasked()) mode_->AbsorbRest();
  TcxCustomTextEdit::DblClick();
}

void TcxCustomMaskEdit::CutToClipboard() {
  if (!IsMasked()) {
    TcxCustomTextEdit::CutToClipboard();
    return;
  }
  if (SelLength() == 0) return;
  CopyTextOut();
  if (mode_->DeleteForward()) SendChar(8);
}

void TcxCustomMaskEdit::PasteFromClipboard() {
  if (!IsMasked()) {
    TcxCustomTextEdit::PasteFromClipboard();
    return;
  }
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  ReplaceSelection(Clipboard()->AsText());
}

void TcxCustomMaskEdit::ReplaceSelection(const String& text) {
  if (!IsMasked()) {
    TcxCustomTextEdit::ReplaceSelection(text);
    return;
  }
  mode_->SetPendingPasteLength(CharCount(text));
  mode_->PreparePaste();
  TcxCustomTextEdit::ReplaceSelection(text);
  mode_->FinishPaste();
  mode_->SetPendingPasteLength(0);
}

void TcxCustomMaskEdit::DoEditKeyDown(Word& key, TShiftState shift) {
  if (!IsMasked() || !mode_ || IsEditorKey(key, shift)) {
    if (key != VK_TAB) shiftDown_ = shift.Contains(ssShift);
    TcxCustomTextEdit::DoEditKeyDown(key, shift);
    return;
  }
  if (!ValidateKeyDown(key, shift)) {
    FireTrailingKeyEvent(key, shift);
    key = 0;
    return;
  }
  if (key != VK_TAB) shiftDown_ = shift.Contains(ssShift);
  bool let_through = true;
  switch (key) {
    case VK_UP:
    case VK_DOWN:
      if (!IsPopupOpen()) {
        FireTrailingKeyEvent(key, shift);
        key = 0;
      }
      break;
    case VK_LEFT:
    case VK_RIGHT: {
      const bool left = key == VK_LEFT;
      if (shift.Contains(ssCtrl)) {
        SendKeyDown(left ? VK_HOME : VK_END);
        let_through = left ? mode_->GoToHome() : mode_->GoToEnd();
      } else {
        const bool at_edge = left ? mode_->CaretAtFirst() : mode_->CaretAtLast();
        let_through = left ? mode_->MoveLeft() : mode_->MoveRight();
        if (!let_through && at_edge) FireTrailingKeyEvent(key, shift);
      }
      break;
    }
    case VK_DELETE:
      if (!shift.Contains(ssShift)) let_through = mode_->DeleteForward();
      else if (SelLength() == 0) let_through = mode_->DeleteBackward();
      break;
    case VK_HOME: let_through = mode_->GoToHome(); break;
    case VK_END: let_through = mode_->GoToEnd(); break;
    default: break;
  }
  if (!let_through) key = 0;
  if (key == 0) return;
  TcxCustomTextEdit::DoEditKeyDown(key, shift);
}

void TcxCustomMaskEdit::DoEditKeyPress(char32_t& key) {
  if (!IsMasked() || !mode_) {
    TcxCustomTextEdit::DoEditKeyPress(key);
    return;
  }
  if (key == 9 || key == 27 || !ValidateKeyPress(key)) {
    key = 0;
    return;
  }
  if (key == 13) return;
  if (key == 3 || key == 22 || key == 24) {
    TcxCustomTextEdit::DoEditKeyPress(key);
    return;
  }
  const bool let_through = key == 8 ? mode_->DeleteBackward() : mode_->PressChar(key);
  if (!let_through) key = 0;
}

// ---- filter helper ----------------------------------------------------------------------------------

TClass TcxFilterMaskEditHelper::ValueEditClass() const { return TcxMaskEdit::StaticClass(); }

void TcxFilterMaskEditHelper::SupportedOperators(TcxCustomEditProperties* properties,
                                                 TcxValueTypeClass value_type,
                                                 TcxFilterControlOperators& operators, bool extended) const {
  // The base set; like and not like only for a text without a mask.
  auto* mask = dynamic_cast<TcxCustomMaskEditProperties*>(properties);
  TcxFilterTextEditHelper::SupportedOperators(properties, !mask || !mask->IsMasked() ? value_type : nullptr,
                                              operators, extended);
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
