// The editor control's keys, characters and focus: the clear and click keys, Tab, Enter, Esc,
// navigation keys, entering and leaving.
#include "editors/cxEdit.h"
#include "user/WinUser.h"
#include "vcl/ControlMessages.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

namespace {
// Change events locked for a scope, released with notification (also on an exception).
class TChangeEventsLock {
 public:
  explicit TChangeEventsLock(TcxCustomEdit* edit) : edit_(edit) { edit_->LockChangeEvents(true); }
  ~TChangeEventsLock() { edit_->LockChangeEvents(false, true); }

 private:
  TcxCustomEdit* edit_;
};
}  // namespace

void TcxCustomEdit::FireTrailingKeyEvent(Word& key, TShiftState shift) {
  if (OnAfterKeyDown) OnAfterKeyDown(this, key, shift);
}

void TcxCustomEdit::KeyDown(Word& key, TShiftState shift) {
  escPending_ = false;
  if (!IsClickKey(key, shift)) TcxContainer::KeyDown(key, shift);
  if (key != 0) DoEditKeyDown(key, shift);
}

bool TcxCustomEdit::ValidateKeyDown(Word& key, TShiftState shift) {
  return DataBinding()->IsModified() || !IsEditingKey(key, shift) || CanModify();
}

void TcxCustomEdit::DoEditKeyDown(Word& key, TShiftState shift) {
  TcxCustomEditProperties* properties = GetEffectiveProperties();
  const TShortCut shortcut = ShortCut(key, shift);
  if (shortcut != 0 && shortcut == properties->ClearKey()) {
    TChangeEventsLock lock(this);
    const bool saved = userChange_;
    userChange_ = true;
    try {
      SetInternalEditValue(GetEmptyEditValue());
    } catch (...) {
      userChange_ = saved;
      throw;
    }
    userChange_ = saved;
    validated_ = true;
    key = 0;
    return;
  }
  if (IsClickKey(key, shift)) {
    // The character of the click key is not typed.
    MSG msg;
    if (HandleAllocated())
      while (PeekMessage(&msg, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) {
      }
    ClickDefaultButton();
    key = 0;
    return;
  }
  if (!ValidateKeyDown(key, shift)) {
    FireTrailingKeyEvent(key, shift);
    key = 0;
    return;
  }
  switch (key) {
    case VK_TAB:
      if (Focused() && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl) && !properties->KeepsTabKey()) {
        HandleTabKey(shift);
        FireTrailingKeyEvent(key, shift);
        if (key != 0) {
          key = 0;
          if (TCustomForm* form = GetParentForm(this))
            form->SelectNext(form->ActiveControl() ? form->ActiveControl() : this,
                             !shift.Contains(ssShift), true);
        }
      }
      break;
    case VK_RETURN:
      if (properties->ValidateOnEnter()) {
        key = 0;
        TChangeEventsLock lock(this);
        if (ValidateEdit(true) && CanPostEditValue()) PostEditValue(false);
      }
      break;
    case VK_ESCAPE:
      if (changedSinceEnter_ && CanRestoreEnterValue()) {
        {
          TChangeEventsLock lock(this);
          DataBinding()->Reset();
          SetModifiedFlag(true);
        }
        escPending_ = true;
        key = 0;
      }
      break;
    default:
      break;
  }
  if (!HandlesNavigationKeys() && key >= VK_PRIOR && key <= VK_DOWN) {
    FireTrailingKeyEvent(key, shift);
    key = 0;
  }
}

void TcxCustomEdit::KeyPress(char32_t& key) {
  if (key == 27 && escPending_) {
    escPending_ = false;
    key = 0;
    return;
  }
  TcxContainer::KeyPress(key);
  if (key != 0) DoEditKeyPress(key);
}

void TcxCustomEdit::DoEditKeyPress(char32_t& key) { ValidateKeyPress(key); }

bool TcxCustomEdit::ValidateKeyPress(char32_t& key) {
  if (key >= 32 && !AcceptsChar(key)) {
    key = 0;
    MessageBeep(0);
    return false;
  }
  if (!DataBinding()->IsModified() && IsEditingChar(key) && !CanModify()) {
    key = 0;
    return false;
  }
  return true;
}

void TcxCustomEdit::KeyUp(Word& key, TShiftState shift) {
  TcxContainer::KeyUp(key, shift);
  if (key != 0) DoEditKeyUp(key, shift);
}

// ---- messages -------------------------------------------------------------------------------------

void TcxCustomEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_COPY:
      CopyTextOut();
      return;
    case WM_CUT:
    case WM_PASTE: {
      const bool blocked = IsReadOnlyOrNoData();
      if (m.Msg == WM_PASTE && blocked) return;
      // A clipboard change comes from the user: it must pass CanModify.
      const bool saved = userChange_;
      userChange_ = true;
      try {
        if (m.Msg == WM_PASTE)
          PasteFromClipboard();
        else if (blocked)
          CopyTextOut();
        else
          CutToClipboard();
      } catch (...) {
        userChange_ = saved;
        throw;
      }
      userChange_ = saved;
      return;
    }
    case WM_CONTEXTMENU:
      if (inPlace_) return;
      break;
    case CM_SHOWINGCHANGED: {
      TcxContainer::WndProc(m);
      // Auto size could not measure while hidden.
      if (Showing()) AlignInnerControl();
      return;
    }
    case CM_DIALOGCHAR: {
      TcxEditButtons* buttons = GetEffectiveProperties()->Buttons();
      for (Integer i = 0; i < buttons->Count(); ++i) {
        TcxEditButton* button = buttons->GetButton(i);
        if (button->Enabled() && IsAccel(char32_t(m.WParam), button->Caption())) {
          DoButtonClick(i);
          m.Result = 1;
          return;
        }
      }
      break;
    }
    default:
      break;
  }
  TcxContainer::WndProc(m);
}

// ---- mouse -----------------------------------------------------------------------------------------

bool TcxCustomEdit::AcceptsMouseWheel(TShiftState shift) {
  return !inPlace_ || GetEffectiveProperties()->UseMouseWheel() || shift.Contains(ssCtrl);
}

bool TcxCustomEdit::IsEditorKey(Word key, TShiftState shift) {
  const TShortCut shortcut = ShortCut(key, shift);
  return (shortcut != 0 && shortcut == GetEffectiveProperties()->ClearKey()) || IsClickKey(key, shift);
}

Integer TcxCustomEdit::ButtonAt(const TPoint& p) {
  TcxCustomEditViewInfo* view_info = GetEditViewInfo();
  if (!view_info) return -1;
  for (Integer i = 0; i < Integer(view_info->Buttons.size()); ++i)
    if (view_info->Buttons[size_t(i)]->Bounds.Contains(p)) return i;
  return -1;
}

void TcxCustomEdit::UpdateViewInfoAtCursor() {
  if (!HandleAllocated()) return;
  TPoint p;
  ReadCursorPos(p);
  RefreshState(ScreenToClient(p), 0, CurrentShiftState(), false);
}

void TcxCustomEdit::DblClick() {
  TPoint p;
  ReadCursorPos(p);
  if (HandleAllocated()) p = ScreenToClient(p);
  if (!HandleAllocated() || ButtonAt(p) < 0) {
    TcxContainer::DblClick();
    return;
  }
  // The second click of a double click over a button presses it again.
  TWeakRef<TcxCustomEdit> self(this);
  TShiftState shift = CurrentShiftState();
  shift.Include(ssLeft);
  MouseDown(mbLeft, shift, p.X, p.Y);
  if (self) Click();
}

void TcxCustomEdit::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomEdit> self(this);
  if (button == mbLeft && doubleClickTimer_->Enabled()) {
    doubleClickTimer_->SetEnabled(false);
    auto* view_info = dynamic_cast<TcxCustomEditViewInfo*>(ViewInfo());
    if (!view_info || !view_info->IsPointOnButton(TPoint(x, y))) DblClick();
    if (!self) return;
  }
  TcxContainer::MouseDown(button, shift, x, y);
  if (!self || button != mbLeft || GetCapture() != Handle()) return;
  // A press that keeps the capture over a pressed button holds that button.
  if (TcxCustomEditViewInfo* view_info = GetEditViewInfo())
    if (view_info->PressedButton >= 0) pressedButton_ = view_info->PressedButton;
}

TcxContainerViewInfo* TcxCustomEdit::CreateViewInfo() { return GetEffectiveProperties()->CreateViewInfo(); }

bool TcxCustomEdit::RefreshState(const TPoint& p, Integer button, TShiftState shift,
                                 bool is_mouse_event) {
  if (!HandleAllocated() || creating_ || ComponentState().Contains(csLoading) ||
      ComponentState().Contains(csReading) || InDestruction())
    return false;
  TcxCustomEditViewInfo* view_info = GetEditViewInfo();
  if (!view_info) return TcxContainer::RefreshState(p, button, shift, is_mouse_event);
  if (pressedButton_ >= 0 && GetCapture() != Handle()) pressedButton_ = -1;
  // A mouse event compares with the state before it.
  std::unique_ptr<TcxCustomEditViewInfo> old_view_info;
  if (is_mouse_event) {
    old_view_info.reset(GetEffectiveProperties()->CreateViewInfo());
    old_view_info->CopyLayoutFrom(view_info);
  }
  std::unique_ptr<TcxCustomEditViewData> view_data(CreateViewData());
  TWeakRef<TcxCustomEdit> self(this);
  view_data->CalculateViewInfo(SharedScreenCanvas(), ClientRect(), p, button, shift, view_info,
                               is_mouse_event);
  TRect excluded;
  if (InnerControl() && IsInnerEditShown()) excluded = InnerControl()->BoundsRect();
  const bool repainted = view_info->RepaintExcept(this, excluded, old_view_info.get());
  if (is_mouse_event && !repainted) return true;
  AlignInnerControl();
  if (is_mouse_event && self) UpdateButtonStates(old_view_info.get(), true);
  return bool(self);
}

void TcxCustomEdit::UpdateButtonStates(TcxCustomEditViewInfo* old_view_info, bool) {
  TcxCustomEditViewInfo* view_info = GetEditViewInfo();
  if (!view_info || !old_view_info) return;
  const Integer pressed = view_info->PressedButton;
  const Integer hot = view_info->HotButton;
  const Integer old_pressed = old_view_info->PressedButton;
  const Integer old_hot = old_view_info->HotButton;
  if (pressed == old_pressed && hot == old_hot) return;
  TWeakRef<TcxCustomEdit> self(this);
  if (old_pressed >= 0 && pressed != old_pressed) {
    // A click completes only when released over the same button.
    DoButtonUp(old_pressed);
    if (self && hot == old_pressed) DoButtonClick(old_pressed);
  }
  if (self && pressed >= 0 && old_pressed < 0) DoButtonDown(pressed);
}

// ---- focus ----------------------------------------------------------------------------------------

bool TcxCustomEdit::HasFocusInForm() {
  if (Focused()) return true;
  TCustomForm* form = GetParentForm(this);
  if (!form || !form->ActiveControl()) return false;
  return form->ActiveControl() == this || (InnerControl() && form->ActiveControl() == InnerControl());
}

void TcxCustomEdit::EnterEdit() {
  PushModifiedState();
  try {
    TcxContainer::DoEnter();
    if (SynchronizesOnEnterExit()) DataBinding()->SynchronizeEditor();
    if (GetEffectiveProperties()->CanResetEditValue()) valueSavedOnEnter_ = ReadEditValue();
    if (SynchronizesOnEnterExit()) SynchronizeDisplayValue();
  } catch (...) {
    PopModifiedState();
    throw;
  }
  PopModifiedState();
  SetChangedSinceEnter(false);
}

void TcxCustomEdit::DoEnter() {
  if (ComponentState().Contains(csDestroying)) return;
  if (!focusingForError_) EnterEdit();
  RefreshStateAtCursor(false);
}

void TcxCustomEdit::DoExit() {
  if (ComponentState().Contains(csDestroying) || focusingForError_) return;
  const bool saved = userChange_;
  userChange_ = false;
  try {
    ExitEdit(true);
  } catch (...) {
    userChange_ = saved;
    throw;
  }
  userChange_ = saved;
}

void TcxCustomEdit::ExitEdit(bool call_on_exit) {
  PushModifiedState();
  LockChangeEvents(true);
  bool ok;
  try {
    ok = ValidateEdit(true);
  } catch (...) {
    LockChangeEvents(false, true);
    PopModifiedState();
    throw;
  }
  if (!ok) {
    LockChangeEvents(false, true);
    PopModifiedState();
    return;
  }
  try {
    if (!inPlace_ && CanPostEditValue()) PostEditValue(false);
  } catch (...) {
    LockChangeEvents(false, true);
    PopModifiedState();
    throw;
  }
  LockChangeEvents(false, true);
  if (SynchronizesOnEnterExit()) DataBinding()->SynchronizeEditor();
  RefreshDisplayText();
  RefreshStateAtCursor(false);
  PopModifiedState();
  if (call_on_exit) TcxContainer::DoExit();
  SetChangedSinceEnter(false);
}

void TcxCustomEdit::NotifyFocusChanged() {
  if (ComponentState().Contains(csDestroying) || focusingForError_) return;
  const bool focused = HasFocusInside() && Application && Application->Active();
  if (focused == cachedFocus_) return;
  cachedFocus_ = focused;
  TcxContainer::NotifyFocusChanged();
  FocusStateChanged();
}

void TcxCustomEdit::FocusStateChanged() {
  RefreshDisplayText();
  if (FocusHasLeftForGood()) ValidateEdit(false);
}

// See "focus has left for good" in docs/ARCHITECTURE.md.
bool TcxCustomEdit::FocusHasLeftForGood() {
  TCustomForm* form = GetParentForm(this);
  if (form && form->FormState().Contains(fsModal) && !form->Visible() &&
      form->ModalResult() != mrNone && form->ModalResult() != mrCancel)
    return true;
  if (Focused() || !HandleAllocated() || !Parent()) return false;
  if (!dynamic_cast<TCustomForm*>(Parent()) || Parent()->ControlCount() != 1) return false;
  const HWND focus = GetFocus();
  return focus && GetAncestor(focus, GA_ROOT) == GetAncestor(Handle(), GA_ROOT);
}
