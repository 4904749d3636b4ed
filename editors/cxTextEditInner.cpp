// The inner edit window of the text editors: forwarding of keys, characters, mouse, focus and
// clipboard to the owner editor, and the helper that implements its interface.
#include "editors/cxTextEdit.h"
#include "rtl/SysUtils.h"
#include "user/WinUser.h"
#include "vcl/ControlMessages.h"
#include "vcl/Forms.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomInnerTextEditHelper)
KORVAN_IMPLEMENT_CLASS(TcxCustomInnerTextEdit)

namespace {
// Runs a step with a Boolean set, restoring it afterwards (also on an exception).
class TUserChangeScope {
 public:
  TUserChangeScope(TcxCustomEdit* edit, bool value) : edit_(edit), saved_(edit->UserChange()) {
    edit_->SetUserChange(value);
  }
  ~TUserChangeScope() {
    if (edit_) edit_->SetUserChange(saved_);
  }
  TWeakRef<TcxCustomEdit> edit_;
  bool saved_;
};
}  // namespace

// ---- helper ---------------------------------------------------------------------------------------

TcxCustomInnerTextEditHelper::TcxCustomInnerTextEditHelper(TcxCustomInnerTextEdit* edit)
    : TcxInterfacedPersistent(nullptr), edit_(edit) {}

TWinControl* TcxCustomInnerTextEditHelper::InnerControl() { return edit_; }
TcxContainer* TcxCustomInnerTextEditHelper::ContainerControl() { return edit_->OwningContainer(); }
LRESULT TcxCustomInnerTextEditHelper::CallEditWndProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  return edit_->CallEditProc(msg, wparam, lparam);
}
Variant TcxCustomInnerTextEditHelper::GetTextValue() { return Variant(edit_->Text()); }
TNotifyEvent TcxCustomInnerTextEditHelper::GetChangeEvent() { return edit_->OnChange; }
bool TcxCustomInnerTextEditHelper::IsReadOnly() { return edit_->ReadOnly(); }
void TcxCustomInnerTextEditHelper::LockBoundsChanges(bool lock) { edit_->LockBounds(lock); }

void TcxCustomInnerTextEditHelper::FocusWithoutSelecting() {
  const bool saved = edit_->AutoSelect();
  edit_->SetAutoSelect(false);
  try {
    if (edit_->CanFocus()) edit_->SetFocus();
  } catch (...) {
    edit_->SetAutoSelect(saved);
    throw;
  }
  edit_->SetAutoSelect(saved);
}

void TcxCustomInnerTextEditHelper::SetTextValue(const Variant& value) {
  const String text = VarToStr(value);
  const String old = edit_->Text();
  edit_->SetText(text);
  if (edit_->ComponentState().Contains(csDesigning) && text != old) edit_->Change();
}

void TcxCustomInnerTextEditHelper::SetParentControl(TWinControl* parent) { edit_->SetParent(parent); }
void TcxCustomInnerTextEditHelper::SetChangeEvent(TNotifyEvent handler) { edit_->OnChange = std::move(handler); }
void TcxCustomInnerTextEditHelper::SetReadOnlyState(bool value) { edit_->SetReadOnly(value); }
void TcxCustomInnerTextEditHelper::ClearSelection() { edit_->ClearSelection(); }
void TcxCustomInnerTextEditHelper::CopyToClipboard() { edit_->CopyToClipboard(); }
TAlignment TcxCustomInnerTextEditHelper::Alignment() { return edit_->InnerAlignment(); }
bool TcxCustomInnerTextEditHelper::GetAutoSelect() { return edit_->AutoSelect(); }
TEditCharCase TcxCustomInnerTextEditHelper::GetCharCase() { return edit_->CharCase(); }
TcxEditEchoMode TcxCustomInnerTextEditHelper::GetEchoMode() { return edit_->EchoMode(); }
bool TcxCustomInnerTextEditHelper::GetHideSelection() { return edit_->HideSelection(); }
Byte TcxCustomInnerTextEditHelper::GetPendingImeByte() { return edit_->ImeState() == 2 ? edit_->ImeByte() : 0; }
bool TcxCustomInnerTextEditHelper::GetKeyConsumed() { return edit_->KeyConsumed(); }
Integer TcxCustomInnerTextEditHelper::MaxLength() { return edit_->TCustomEdit::MaxLength(); }
bool TcxCustomInnerTextEditHelper::GetOEMConvert() { return edit_->OEMConvert(); }
TNotifyEvent TcxCustomInnerTextEditHelper::GetOnSelChange() { return edit_->OnSelChange; }
char32_t TcxCustomInnerTextEditHelper::GetPasswordChar() { return edit_->InnerPasswordChar(); }

Integer TcxCustomInnerTextEditHelper::GetSelLength() {
  return edit_->ImeState() <= 0 ? edit_->TCustomEdit::SelLength() : BufferedSelLength;
}
Integer TcxCustomInnerTextEditHelper::GetSelStart() {
  return edit_->ImeState() <= 0 ? edit_->TCustomEdit::SelStart() : BufferedSelStart;
}
String TcxCustomInnerTextEditHelper::GetSelText() { return edit_->SelText(); }

void TcxCustomInnerTextEditHelper::SelectAll() {
  if (edit_->HandleAllocated()) edit_->SelectAll();
}

void TcxCustomInnerTextEditHelper::SetAlignment(TAlignment value) {
  TcxCustomTextEdit* owner = edit_->OwnerEdit();
  if (owner && owner->GetEffectiveProperties()->UseLeftAlignmentOnEditing()) value = taLeftJustify;
  edit_->SetInnerAlignment(value);
}

void TcxCustomInnerTextEditHelper::SetAutoSelect(bool value) { edit_->SetAutoSelect(value); }
void TcxCustomInnerTextEditHelper::SetCharCase(TEditCharCase value) { edit_->SetCharCase(value); }
void TcxCustomInnerTextEditHelper::SetEchoMode(TcxEditEchoMode value) { edit_->SetEchoMode(value); }
void TcxCustomInnerTextEditHelper::SetHideSelection(bool value) { edit_->SetHideSelection(value); }
void TcxCustomInnerTextEditHelper::SetKeyConsumed(bool value) { edit_->SetKeyConsumed(value); }
void TcxCustomInnerTextEditHelper::SetMaxLength(Integer value) { edit_->SetMaxLength(value); }
void TcxCustomInnerTextEditHelper::SetOEMConvert(bool value) { edit_->SetOEMConvert(value); }
void TcxCustomInnerTextEditHelper::SetOnSelChange(TNotifyEvent handler) { edit_->OnSelChange = std::move(handler); }
void TcxCustomInnerTextEditHelper::SetPasswordChar(char32_t value) { edit_->SetInnerPasswordChar(value); }

void TcxCustomInnerTextEditHelper::SetSelLength(Integer value) {
  if (!edit_->HandleAllocated()) return;
  if (edit_->ImeState() > 0)
    BufferedSelLength = value;
  else
    edit_->TCustomEdit::SetSelLength(value);
}

void TcxCustomInnerTextEditHelper::SetSelStart(Integer value) {
  if (!edit_->HandleAllocated()) return;
  if (edit_->ImeState() > 0)
    BufferedSelStart = value;
  else
    edit_->TCustomEdit::SetSelStart(value);
}

void TcxCustomInnerTextEditHelper::SetSelText(const String& value) { edit_->SetSelText(value); }

// ---- unit routines -----------------------------------------------------------------------------------

void SaveEditState(IcxInnerTextEdit* helper, bool save_text, TcxCustomInnerTextEditPrevState& state) {
  state.TextSaved = save_text;
  if (save_text) state.Text = VarToStr(helper->GetTextValue());
  state.SelStart = helper->GetSelStart();
  state.SelLength = helper->GetSelLength();
}

bool EditStateChanged(IcxInnerTextEdit* helper, const TcxCustomInnerTextEditPrevState& state) {
  if (!helper->InnerControl()->HandleAllocated()) return true;
  if (helper->GetSelStart() != state.SelStart || helper->GetSelLength() != state.SelLength) return true;
  return state.TextSaved && AnsiCompareText(VarToStr(helper->GetTextValue()), state.Text) != 0;
}

Integer CaretCharIndex(TCustomEdit* control) {
  POINT caret{};
  GetCaretPos(&caret);
  const String text = control->Text();
  Integer count = 0;
  for (size_t i = 0; i < text.size();) {
    DecodeUtf8(text, i);
    ++count;
  }
  const auto x_of = [&](Integer i) {
    return Integer(SHORT(LOWORD(uintptr_t(control->Perform(EM_POSFROMCHAR, WPARAM(i))))));
  };
  Integer lo = 0, hi = count - 1;
  if (hi < 0) return 0;
  while (hi - lo >= 2) {
    const Integer mid = (lo + hi) / 2;
    if (x_of(mid) < caret.X)
      lo = mid;
    else
      hi = mid;
  }
  if (x_of(lo) == caret.X) return lo;
  if (x_of(hi) == caret.X) return hi;
  return hi + 1;
}

// ---- inner edit -----------------------------------------------------------------------------------

TcxCustomInnerTextEdit::TcxCustomInnerTextEdit(TComponent* owner) : TCustomEdit(owner) {
  creating_ = true;
  helper_ = std::make_unique<TcxCustomInnerTextEditHelper>(this);
  ControlStyle().Include(csDoubleClicks);
  SetParentColor(true);
  SetParentFont(false);
  ApplyPasswordChar();
  creating_ = false;
}

TcxCustomInnerTextEdit::~TcxCustomInnerTextEdit() = default;

TcxCustomTextEdit* TcxCustomInnerTextEdit::OwnerEdit() const {
  return dynamic_cast<TcxCustomTextEdit*>(Owner());
}

TcxContainer* TcxCustomInnerTextEdit::OwningContainer() { return OwnerEdit(); }

void TcxCustomInnerTextEdit::ApplyPasswordChar() {
  TCustomEdit::SetPasswordChar(echoMode_ == eemNormal ? 0 : innerPasswordChar_ ? innerPasswordChar_ : U'*');
}

void TcxCustomInnerTextEdit::SetEchoMode(TcxEditEchoMode value) {
  if (echoMode_ == value) return;
  echoMode_ = value;
  ApplyPasswordChar();
}

void TcxCustomInnerTextEdit::SetInnerPasswordChar(char32_t value) {
  if (innerPasswordChar_ == value) return;
  innerPasswordChar_ = value;
  if (echoMode_ == eemPassword) ApplyPasswordChar();
}

void TcxCustomInnerTextEdit::SetInnerAlignment(TAlignment value) {
  if (alignment_ == value) return;
  alignment_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TcxCustomInnerTextEdit::LockBounds(bool lock) {
  if (lock)
    ++boundsLockCount_;
  else if (boundsLockCount_ > 0)
    --boundsLockCount_;
}

bool TcxCustomInnerTextEdit::CanFocus() {
  TcxCustomTextEdit* owner = OwnerEdit();
  return owner ? owner->CanTakeFocus() && TCustomEdit::CanFocus() : TCustomEdit::CanFocus();
}

void TcxCustomInnerTextEdit::SetBounds(Integer left, Integer top, Integer width, Integer height) {
  if (creating_ || boundsLockCount_ > 0) return;
  TcxContainer* container = OwningContainer();
  if (!container) {
    TCustomEdit::SetBounds(left, top, width, height);
    return;
  }
  container->SuspendAlignment(true);
  try {
    TCustomEdit::SetBounds(left, top, width, height);
  } catch (...) {
    container->SuspendAlignment(false);
    throw;
  }
  container->SuspendAlignment(false);
}

void TcxCustomInnerTextEdit::CreateParams(TCreateParams& params) {
  TCustomEdit::CreateParams(params);
  params.Style &= ~(ES_LEFT | ES_RIGHT | ES_CENTER | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME);
  static const DWORD kAlignStyles[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  params.Style |= kAlignStyles[alignment_] | ES_AUTOHSCROLL;
  params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TcxCustomInnerTextEdit::CreateHandle() {
  if (TcxContainer* container = OwningContainer()) container->ResetChildRegion();
  TCustomEdit::CreateHandle();
}

void TcxCustomInnerTextEdit::CreateWnd() {
  TCustomEdit::CreateWnd();
  AdjustMargins();
}

void TcxCustomInnerTextEdit::AdjustMargins() {
  SendMessage(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0x10000);
}

void TcxCustomInnerTextEdit::MouseLeave(TControl*) {
  if (TcxContainer* container = OwningContainer()) container->RefreshStateAtCursor(true);
}

void TcxCustomInnerTextEdit::Click() {
  TCustomEdit::Click();
  if (TcxCustomTextEdit* owner = OwnerEdit()) owner->Click();
}

void TcxCustomInnerTextEdit::DblClick() {
  TWeakRef<TcxCustomInnerTextEdit> self(this);
  TCustomEdit::DblClick();
  if (self)
    if (TcxCustomTextEdit* owner = OwnerEdit()) owner->InnerDblClick();
}

void TcxCustomInnerTextEdit::KeyDown(Word& key, TShiftState shift) {
  keyConsumed_ = false;
  TWeakRef<TcxCustomInnerTextEdit> self(this);
  if (TcxCustomTextEdit* owner = OwnerEdit()) {
    try {
      owner->InnerKeyDown(key, shift);
    } catch (...) {
      if (self && key == 0) keyConsumed_ = true;
      throw;
    }
    if (!self) return;
  }
  if (key == 0) {
    keyConsumed_ = true;
    return;
  }
  TCustomEdit::KeyDown(key, shift);
}

void TcxCustomInnerTextEdit::KeyPress(char32_t& key) {
  keyConsumed_ = false;
  if (key == U'\t') key = 0;  // a single line never takes a tab
  TWeakRef<TcxCustomInnerTextEdit> self(this);
  TcxCustomTextEdit* owner = OwnerEdit();
  if (key != 0 && owner) {
    try {
      owner->InnerKeyPress(key);
    } catch (...) {
      if (self && key == 0) keyConsumed_ = true;
      throw;
    }
    if (!self) return;
    owner = OwnerEdit();
  }
  if (owner && key != 0 &&
      (((key == 13 || key == 27) && owner->InPlace()) || owner->CloseKeyPending() ||
       (!owner->BeepOnEnter() && key == 13))) {
    key = 0;
    owner->SetCloseKeyPending(false);
  }
  if (key == 0) {
    keyConsumed_ = true;
    return;
  }
  TCustomEdit::KeyPress(key);
}

void TcxCustomInnerTextEdit::KeyUp(Word& key, TShiftState shift) {
  keyConsumed_ = false;
  if (key == VK_TAB) key = 0;
  TWeakRef<TcxCustomInnerTextEdit> self(this);
  if (key != 0)
    if (TcxCustomTextEdit* owner = OwnerEdit()) {
      try {
        owner->InnerKeyUp(key, shift);
      } catch (...) {
        if (self && key == 0) keyConsumed_ = true;
        throw;
      }
      if (!self) return;
    }
  if (key == 0) {
    keyConsumed_ = true;
    return;
  }
  TCustomEdit::KeyUp(key, shift);
}

void TcxCustomInnerTextEdit::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomInnerTextEdit> self(this);
  TCustomEdit::MouseDown(button, shift, x, y);
  if (!self) return;
  TcxCustomTextEdit* owner = OwnerEdit();
  if (!owner) return;
  owner->SetInnerMouseDown(true);
  TWeakRef<TcxCustomTextEdit> owner_ref(owner);
  try {
    owner->InnerMouseDown(button, shift, x + Left(), y + Top());
  } catch (...) {
    if (owner_ref) owner_ref->SetInnerMouseDown(false);
    throw;
  }
  if (owner_ref) owner_ref->SetInnerMouseDown(false);
}

void TcxCustomInnerTextEdit::MouseMove(TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomInnerTextEdit> self(this);
  TCustomEdit::MouseMove(shift, x, y);
  if (self)
    if (TcxCustomTextEdit* owner = OwnerEdit()) owner->InnerMouseMove(shift, x + Left(), y + Top());
}

void TcxCustomInnerTextEdit::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomInnerTextEdit> self(this);
  TCustomEdit::MouseUp(button, shift, x, y);
  if (self)
    if (TcxCustomTextEdit* owner = OwnerEdit()) owner->InnerMouseUp(button, shift, x + Left(), y + Top());
}

void TcxCustomInnerTextEdit::WMGetDlgCode(TMessage& m) {
  TCustomEdit::WMGetDlgCode(m);
  m.Result |= DLGC_WANTCHARS;
  TcxCustomTextEdit* owner = OwnerEdit();
  if (!owner) return;
  // Tab while the editor counts as in place for painting (in place, or a drop-down open with
  // PostPopupValueOnTab).
  if (owner->IsInplaceForPaint() && GetKeyState(VK_CONTROL) >= 0) m.Result |= DLGC_WANTTAB;
  if (owner->InPlace() || owner->IsPopupOpen()) m.Result |= DLGC_WANTALLKEYS;
}

void TcxCustomInnerTextEdit::WMSetFocus(TMessage& m) {
  TWeakRef<TcxCustomInnerTextEdit> self(this);
  TCustomEdit::WMSetFocus(m);
  if (!self || ComponentState().Contains(csDestroying)) return;
  TcxCustomTextEdit* owner = OwnerEdit();
  if (owner && !(owner->HandleAllocated() && reinterpret_cast<HWND>(m.WParam) == owner->Handle()))
    owner->NotifyFocusChanged();
}

void TcxCustomInnerTextEdit::WMKillFocus(TMessage& m) {
  TWeakRef<TcxCustomInnerTextEdit> self(this);
  TCustomEdit::WMKillFocus(m);
  if (!self || ComponentState().Contains(csDestroying)) return;
  if (TcxCustomTextEdit* owner = OwnerEdit()) owner->NotifyFocusChanged();
}

void TcxCustomInnerTextEdit::WndProc(TMessage& m) {
  TcxCustomTextEdit* owner = OwnerEdit();
  if (owner && owner->InnerEditMessage(m)) return;
  if (owner && owner->PreviewInnerMessage(m)) return;
  if ((m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) && owner && owner->DragMode() == dmAutomatic &&
      !owner->ComponentState().Contains(csDesigning)) {
    owner->BeginDrag(false);
    return;
  }
  TCustomEdit::WndProc(m);
}

void TcxCustomInnerTextEdit::DefaultHandler(TMessage& m) {
  if (TcxCustomTextEdit* owner = OwnerEdit())
    if (owner->PreviewInnerDefaultMessage(m)) return;
  TCustomEdit::DefaultHandler(m);
}

void TcxCustomInnerTextEdit::Dispatch(TMessage& m) {
  TcxCustomTextEdit* owner = OwnerEdit();
  switch (m.Msg) {
    case WM_KEYDOWN: {
      if (!owner) break;
      if (owner->IsPopupOpen() &&
          owner->EffectiveTextProperties()->IsLookupListKey(Word(m.WParam), KeyDataToShiftState(m.LParam)))
        if (IcxTextEditLookupData* lookup = owner->QueryLookupData())
          if (TWinControl* list = lookup->GetListControl()) {
            m.Result = SendMessage(list->Handle(), WM_KEYDOWN, m.WParam, m.LParam);
            return;
          }
      TcxCustomInnerTextEditPrevState state;
      SaveEditState(helper_.get(), true, state);
      keyConsumed_ = false;
      TWeakRef<TcxCustomInnerTextEdit> self(this);
      TCustomEdit::Dispatch(m);
      if (!self) return;
      owner = OwnerEdit();
      if (owner && !keyConsumed_ && !EditStateChanged(helper_.get(), state) && m.WParam != 0) {
        Word key = Word(m.WParam);
        owner->FireTrailingKeyEvent(key, KeyDataToShiftState(m.LParam));
        m.WParam = key;
      }
      return;
    }
    case WM_CHAR: {
      if (!owner) break;
      TcxCustomInnerTextEditPrevState state;
      SaveEditState(helper_.get(), true, state);
      keyConsumed_ = false;
      TWeakRef<TcxCustomInnerTextEdit> self(this);
      TWeakRef<TcxCustomTextEdit> owner_ref(owner);
      TCustomEdit::Dispatch(m);
      if (!self || !owner_ref) return;
      if (imeState_ > 0) {
        --imeState_;
        if (imeState_ == 0 && owner->FindSelection()) {
          TCustomEdit::SetSelStart(helper_->BufferedSelStart);
          TCustomEdit::SetSelLength(helper_->BufferedSelLength);
        }
      }
      owner->SetLookupTextChange(false);
      if (!keyConsumed_ && EditStateChanged(helper_.get(), state)) owner->SetFindSelection(false);
      return;
    }
    case WM_IME_CHAR: {
      // One input-method character is one whole character: its code arrives whole and its
      // selection is buffered until the character has been typed.
      imeState_ = 1;
      imeByte_ = 0;
      helper_->BufferedSelStart = TCustomEdit::SelStart();
      helper_->BufferedSelLength = TCustomEdit::SelLength();
      TCustomEdit::Dispatch(m);
      return;
    }
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR: {
      if (!owner) break;
      if (m.Msg != WM_CUT && ReadOnly()) return;
      TUserChangeScope scope(owner, true);
      if (m.Msg == WM_CUT) {
        if (ReadOnly())
          owner->CopyTextOut();
        else
          owner->CutToClipboard();
      } else if (m.Msg == WM_PASTE) {
        owner->PasteFromClipboard();
      } else {
        owner->ClearSelectionText();
      }
      return;
    }
    case WM_NCPAINT: m.Result = 0; return;
    case EM_SETSEL: {
      TWeakRef<TcxCustomInnerTextEdit> self(this);
      TCustomEdit::Dispatch(m);
      if (self && OnSelChange) OnSelChange(this);
      return;
    }
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      TWeakRef<TcxCustomInnerTextEdit> self(this);
      TCustomEdit::Dispatch(m);
      if (!self) return;
      auto* control = reinterpret_cast<TControl*>(m.LParam);
      if (!control) control = this;
      if (m.Msg == CM_MOUSEENTER)
        MouseEnter(control);
      else
        MouseLeave(control);
      return;
    }
    case WM_SIZE: {
      TCustomEdit::Dispatch(m);
      if (HandleAllocated()) AdjustMargins();
      return;
    }
    default: break;
  }
  TCustomEdit::Dispatch(m);
}
