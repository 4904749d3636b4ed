// The text edit control: its inner edit window, display and edit values, composition of typed,
// pasted and cut text, incremental search and moves through the lookup items.
#include <algorithm>

#include "data/cxVariants.h"
#include "editors/cxTextEdit.h"
#include "foundation/cxContainer.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "user/WinUser.h"
#include "vcl/Clipbrd.h"
#include "vcl/Forms.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomTextEdit)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxTextEdit) {
  p.Bool("BeepOnEnter", &TcxCustomTextEdit::BeepOnEnter, &TcxCustomTextEdit::SetBeepOnEnter).Default(true);
  p.Object("Properties", &TcxTextEdit::Properties, &TcxTextEdit::SetProperties,
           TcxTextEditProperties::StaticClass());
  p.Str("Text", &TControl::Text, &TControl::SetText);
}

TClass TcxCustomTextEditProperties::GetContainerClass() { return TcxTextEdit::StaticClass(); }

namespace {
// Whether a lookup move changed the key. Keys are any variants (Null, strings, arrays of
// several fields); a pair that cannot be compared counts as changed.
bool LookupKeyChanged(const Variant& key, const Variant& old_key) {
  try {
    return !VariantsCompareEqual(key, old_key);
  } catch (const Exception&) {
    return true;
  }
}

// Runs a step with a flag set, restoring it afterwards (also on an exception).
class TFlag {
 public:
  TFlag(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
  ~TFlag() { flag_ = saved_; }

 private:
  bool& flag_;
  bool saved_;
};

class TUserChange {
 public:
  TUserChange(TcxCustomEdit* edit, bool value) : edit_(edit), saved_(edit->UserChange()) {
    edit_->SetUserChange(value);
  }
  ~TUserChange() {
    if (edit_) edit_->SetUserChange(saved_);
  }

 private:
  TWeakRef<TcxCustomEdit> edit_;
  bool saved_;
};

class TValueAssignment {
 public:
  explicit TValueAssignment(TcxCustomEdit* edit) : edit_(edit) { edit_->LockValueAssignment(true); }
  ~TValueAssignment() {
    if (edit_) edit_->LockValueAssignment(false);
  }

 private:
  TWeakRef<TcxCustomEdit> edit_;
};

class TModifiedState {
 public:
  explicit TModifiedState(TcxCustomEdit* edit) : edit_(edit) { edit_->PushModifiedState(); }
  ~TModifiedState() {
    if (edit_) edit_->PopModifiedState();
  }

 private:
  TWeakRef<TcxCustomEdit> edit_;
};

Integer CharLength(const String& text) {
  Integer n = 0;
  for (size_t i = 0; i < text.size(); ++n) DecodeUtf8(text, i);
  return n;
}
// The byte offset of a character position (clamped to the text).
size_t ByteOffset(const String& text, Integer chars) {
  size_t i = 0;
  for (Integer n = 0; n < chars && i < text.size(); ++n) DecodeUtf8(text, i);
  return i;
}
}  // namespace

// ---- life ------------------------------------------------------------------------------------------

TcxCustomTextEdit::TcxCustomTextEdit(TComponent* owner, bool in_place, TClass properties_class,
                                     TClass inner_edit_class)
    : TcxCustomEdit(owner, in_place, properties_class) {
  InitializeCxTextEdit();
  SetUpTextEditor(inner_edit_class ? inner_edit_class : TcxCustomInnerTextEdit::StaticClass());
}

void TcxCustomTextEdit::SetUpTextEditor(TClass inner_edit_class) {
  inner_ = static_cast<TcxCustomInnerTextEdit*>(inner_edit_class->Create(this));
  innerEdit_ = inner_->GetInnerEdit();
  innerEdit_->SetChangeEvent([this](TObject*) { DataChanged(); });
  inner_->SetParentShowHint(false);
  SetInnerControl(inner_);
  innerEdit_->SetParentControl(this);
  beepOnEnter_ = true;
  findSelection_ = false;
  inner_->SetColor(clWindow);
  innerEdit_->SetOnSelChange([this](TObject* sender) { InnerSelectionChanged(sender); });
  SetBounds(Left(), Top(), 121, 21);
  if (TClass lookup_class = TextProperties()->GetLookupDataClass()) {
    lookupData_.reset(static_cast<TcxCustomTextEditLookupData*>(lookup_class->Create(this)));
    lookupData_->SetSelectItemEvent([this](TObject* sender) { LookupItemSelected(sender); });
  }
  GlobalFormatController()->RegisterListener(this);
  PropertiesChanged(GetEffectiveProperties());
}

TcxCustomTextEdit::~TcxCustomTextEdit() {
  destroying_ = true;
  if (inner_) savedText_ = inner_->Text();
  if (auto* fc = GlobalFormatController()) fc->UnregisterListener(this);
  lookupData_.reset();
  if (inner_) {
    inner_->OnChange = nullptr;
    inner_->OnSelChange = nullptr;
  }
  SetInnerControl(nullptr);
  innerEdit_ = nullptr;
  inner_ = nullptr;  // freed as an owned component
}

void TcxCustomTextEdit::Loaded() {
  TcxCustomEdit::Loaded();
  RefreshStateAtCursor(false);
}

String TcxCustomTextEdit::GetText() const {
  return inner_ && !destroying_ ? inner_->Text() : savedText_;
}

void TcxCustomTextEdit::SetTextValue(const String& value) {
  if (!inner_) {
    savedText_ = value;
    return;
  }
  TrySetDisplayText(value);
}

// ---- properties ------------------------------------------------------------------------------------

void TcxCustomTextEdit::FormatChanged() {
  GetEffectiveProperties()->NotifyPropertiesChanged();
  SynchronizeDisplayValue();
}

void TcxCustomTextEdit::PropertiesChanged(TcxCustomEditProperties* properties) {
  if (!inner_ || destroying_) {
    TcxCustomEdit::PropertiesChanged(properties);
    return;
  }
  auto* text_properties = static_cast<TcxCustomTextEditProperties*>(properties);
  const TAlignment horz = text_properties->Alignment()->Horz();
  if (UsesLookupData()) {
    lookupData_->RefreshFromProperties();
    if (!lookupTextChange_) lookupData_->SyncWithEditText();
  }
  if (!IsInnerEditShown()) RefreshDisplayText();
  innerEdit_->SetAlignment(horz);
  innerEdit_->SetAutoSelect(text_properties->AutoSelect() && !InPlace());
  innerEdit_->SetCharCase(text_properties->CharCase());
  innerEdit_->SetEchoMode(text_properties->EchoMode());
  innerEdit_->SetHideSelection(text_properties->HideSelection());
  innerEdit_->SetMaxLength(text_properties->MaxLength());
  innerEdit_->SetOEMConvert(text_properties->OEMConvert());
  innerEdit_->SetPasswordChar(text_properties->PasswordChar());
  innerEdit_->SetReadOnlyState(text_properties->ReadOnly());
  CheckRangeOnPropertiesChange();
  ReconcileTextWithLookup();
  RefreshDisplayText();
  TcxCustomEdit::PropertiesChanged(properties);
  if (inner_ && inner_->HandleAllocated()) inner_->Invalidate();
}

void TcxCustomTextEdit::CheckRangeOnPropertiesChange() {
  TcxCustomTextEditProperties* properties = EffectiveTextProperties();
  if ((ComponentState().Contains(csDesigning) || !ChangedSinceEnter()) && properties->HasNumericValue() &&
      !IsInnerEditUnavailable() && properties->HasValueRange())
    ValueRangeChanged();
}

void TcxCustomTextEdit::ReconcileTextWithLookup() {
  if (IsInnerEditUnavailable()) return;
  TcxCustomTextEditProperties* properties = EffectiveTextProperties();
  switch (properties->GetEditingStyle()) {
    case tesFreeText:
    case tesNoTyping:
      if (!ChangedSinceEnter()) DataBinding()->SynchronizeEditor();
      break;
    default: {
      if ((!ChangedSinceEnter() || Validated()) && !HasNoDataStorage()) {
        SynchronizeDisplayValue();
        break;
      }
      Variant text(VarToStr(CurrentDisplayText()));
      if (!properties->AcceptDisplayText(text, true)) {
        {
          TModifiedState state(this);
          DataBinding()->SetDisplayValue(Variant(String()));
        }
        if (!ChangedSinceEnter()) UpdateEditValueFromDisplay();
      }
      break;
    }
  }
}

bool TcxCustomTextEdit::HasNoDataStorage() {
  return !InPlace() && !DataBinding()->GetDefaultValuesProvider()->IsDataStorage();
}

// ---- inner edit ------------------------------------------------------------------------------------

Integer TcxCustomTextEdit::InnerEditTextHeight() {
  return MeasureTextHeightInFont(inner_->Font(), "Wg");
}

void TcxCustomTextEdit::ApplyStyleToInnerEdit() {
  if (!inner_ || destroying_) return;
  TcxCustomEditViewInfo* view_info = GetEditViewInfo();
  if (!view_info) return;
  innerEdit_->LockBoundsChanges(true);
  try {
    inner_->SetColor(view_info->FillColor);
    // The font the view info paints with, so that both put the text on the same pixels.
    inner_->Font()->Assign(view_info->Font ? view_info->Font : StyleForCurrentState()->DisplayFont());
    inner_->Font()->SetColor(view_info->TextColor);
  } catch (...) {
    innerEdit_->LockBoundsChanges(false);
    throw;
  }
  innerEdit_->LockBoundsChanges(false);
}

void TcxCustomTextEdit::AlignInnerControl() {
  if (!inner_ || inAdjustInnerEditPosition_) {
    TcxCustomEdit::AlignInnerControl();
    return;
  }
  // The auto size step of the base first, then the inner edit's own placement.
  if (HandleAllocated() && !InDestruction()) {
    Integer width = Width(), height = Height();
    CalculateAutoSize(width, height);
    if (width != Width() || height != Height()) SetBounds(Left(), Top(), width, height);
  }
  AdjustInnerEditPosition();
}

void TcxCustomTextEdit::AdjustInnerEditPosition() {
  if (!inner_ || inAdjustInnerEditPosition_) return;
  TFlag guard(inAdjustInnerEditPosition_, true);
  const Integer h = InnerEditTextHeight();
  const TRect r = GetEditViewInfo() ? GetEditViewInfo()->ClientArea : ClientRect();
  std::unique_ptr<TcxCustomEditViewData> data(GetEffectiveProperties()->CreateViewData(
      dynamic_cast<TcxCustomEditStyle*>(StyleForCurrentState()), InPlace()));
  TRect insets;
  if (auto* text_data = dynamic_cast<TcxCustomTextEditViewData*>(data.get()))
    text_data->GetTextInsets(insets);
  Integer y;
  switch (GetEffectiveProperties()->Alignment()->Vert()) {
    case taBottomJustify: y = r.Bottom - h - insets.Bottom; break;
    case taVCenter: y = r.Top + insets.Top + (r.Bottom - r.Top - h - insets.Top - insets.Bottom) / 2; break;
    default: y = r.Top + insets.Top; break;
  }
  y = std::max(y, r.Top + insets.Top);
  const TRect bounds(r.Left + insets.Left, y, r.Right - insets.Right + 1, y + h);
  if (inner_->BoundsRect() != bounds) inner_->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
}

bool TcxCustomTextEdit::RefreshState(const TPoint& p, Integer button, TShiftState shift, bool is_mouse_event) {
  if (!HandleAllocated() || destroying_) return false;
  TWeakRef<TcxCustomTextEdit> self(this);
  const bool result = TcxCustomEdit::RefreshState(p, button, shift, is_mouse_event);
  if (!self) return false;
  if (result) ApplyStyleToInnerEdit();
  // Double buffering stays off: the double-buffered paint draws the container's frame
  // thicker than the direct one, so the frame would change with the focus.
  // The view info paints the text whenever the inner edit does not show it.
  if (TcxCustomTextEditViewInfo* vi = GetTextEditViewInfo()) {
    vi->InnerEditShowsText = IsInnerEditShown();
    vi->Text = VarToStr(CurrentDisplayText());
    EffectiveTextProperties()->AdjustDisplayText(vi->Text);
    vi->TextOutData.Prepared = false;
  }
  if (inner_) {
    AdjustInnerEditPosition();
    UpdateInnerRegion();
  }
  UpdateFindSelectionDisplay();
  return result;
}

void TcxCustomTextEdit::ChildVisibleRegion(const TRect& area, TControl* child,
                                           TcxContainerInnerControlBounds& bounds) {
  TcxCustomEdit::ChildVisibleRegion(area, child, bounds);
  // An inner edit that does not show the text paints nothing (the view info paints it), yet
  // keeps the focus and the caret.
  if (child && child == inner_ && !IsInnerEditShown()) {
    bounds.IsEmpty = false;
    bounds.Rect = TRect();
  }
}

void TcxCustomTextEdit::UpdateInnerRegion() {
  if (!inner_ || !inner_->HandleAllocated() || destroying_) return;
  TRect area = ClientRect();
  AdjustClientRect(area);
  TcxContainerInnerControlBounds bounds;
  ChildVisibleRegion(area, inner_, bounds);
  if (bounds == innerRegion_) return;
  innerRegion_ = bounds;
  InnerRegionOf(inner_, bounds);
}

bool TcxCustomTextEdit::IsInnerEditShown() {
  if (!inner_ || destroying_) return false;
  const TcxTextEditingStyle style = EffectiveTextProperties()->GetEditingStyle();
  if (style != tesFreeText && style != tesListOrText) return false;
  if (ComponentState().Contains(csDesigning)) return false;
  return HasFocusInForm() || GetEffectiveProperties()->Alignment()->Horz() == taLeftJustify;
}

void TcxCustomTextEdit::UnhookInnerEdit() {
  innerHooked_ = false;
  if (!inner_ || !inner_->HandleAllocated()) return;
  const bool saved = inner_->AutoSelect();
  inner_->SetAutoSelect(false);
  try {
    SendMessage(inner_->Handle(), WM_SETFOCUS, 0, 0);
  } catch (...) {
    inner_->SetAutoSelect(saved);
    throw;
  }
  inner_->SetAutoSelect(saved);
}

void TcxCustomTextEdit::HookInnerEdit() { innerHooked_ = true; }

bool TcxCustomTextEdit::InnerEditMessage(TMessage& m) {
  if (innerHooked_ && m.Msg == WM_SETFOCUS) {
    if (inner_->AutoSelect()) inner_->SelectAll();
    return true;
  }
  return false;
}

Integer TcxCustomTextEdit::GetCaretCharIndex() { return inner_ ? CaretCharIndex(inner_) : 0; }

// ---- messages ----------------------------------------------------------------------------------------

void TcxCustomTextEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_CLEAR: {
      TUserChange scope(this, true);
      if (!EffectiveTextProperties()->ReadOnly() && DataBinding()->HasDataAvailable()) ClearSelectionText();
      return;
    }
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<char*>(m.LParam);
      const Integer size = Integer(m.WParam);
      if (size < 1 || !buffer) {
        m.Result = 0;
        return;
      }
      String text;
      if (!destroying_)
        TextForGetText(text);
      else
        text = savedText_;
      // At most size - 1 bytes, never a split character.
      size_t n = 0;
      for (size_t i = 0; i < text.size();) {
        size_t next = i;
        DecodeUtf8(text, next);
        if (next > size_t(size - 1)) break;
        i = n = next;
      }
      std::copy(text.begin(), text.begin() + ptrdiff_t(n), buffer);
      buffer[n] = '\0';
      m.Result = NativeInt(n);
      return;
    }
    case WM_GETTEXTLENGTH: {
      String text;
      if (!destroying_)
        TextForGetText(text);
      else
        text = savedText_;
      m.Result = NativeInt(text.size());
      return;
    }
    case WM_SETTEXT: {
      if (inSetText_) break;
      TFlag guard(inSetText_, true);
      const String text = m.LParam ? String(reinterpret_cast<const char*>(m.LParam)) : String();
      m.Result = ApplyWindowText(text) ? 1 : 0;
      return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // A press over the inner edit (an in-place activation by the mouse sends it here) places
      // the caret there.
      const TPoint p(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
      if (inner_ && inner_->HandleAllocated() && inner_->Visible() && inner_->BoundsRect().Contains(p)) {
        const TPoint local(p.X - inner_->Left(), p.Y - inner_->Top());
        m.Result = SendMessage(inner_->Handle(), m.Msg, m.WParam, MAKELPARAM(WORD(local.X), WORD(local.Y)));
        return;
      }
      break;
    }
    default: break;
  }
  TcxCustomEdit::WndProc(m);
}

void TcxCustomTextEdit::TextForGetText(String& text) { text = VarToStr(CurrentDisplayText()); }

// ---- display and edit values ---------------------------------------------------------------------

Variant TcxCustomTextEdit::CurrentDisplayText() { return Variant(inner_ ? inner_->Text() : String()); }

void TcxCustomTextEdit::SetValidatedDisplayValue(const Variant& value) {
  if (innerEdit_) innerEdit_->SetTextValue(value);
}

void TcxCustomTextEdit::InternalSetDisplayValue(const Variant& value) {
  DataBinding()->SetDisplayValue(value);
  if (!UserChange()) {
    ResetFindSelection();
    UpdateEditValueFromDisplay();
    SetModifiedFlag(false);
  }
}

void TcxCustomTextEdit::SetDisplayValue(const Variant& value) {
  TcxCustomTextEditProperties* properties = EffectiveTextProperties();
  if (properties->GetEditingStyle() == tesFreeText && UsesLookupData() && !lookupData_->IsItemText(VarToStr(value)))
    FireNewLookupDisplayText(VarToStr(value));
  TcxCustomEdit::SetDisplayValue(value);
}

bool TcxCustomTextEdit::TrySetDisplayText(const String& text) {
  Variant value(text);
  if (!EffectiveTextProperties()->AcceptDisplayText(value, InEditingMode())) return false;
  if (UserChange() && !CanModify()) return false;
  InternalSetDisplayValue(value);
  return true;
}

void TcxCustomTextEdit::UpdateEditValueFromDisplay() {
  Variant value;
  DisplayToEditValue(CurrentDisplayText(), value, InEditingMode());
  // Stored without another round through the display text; the base compares, marks and
  // tells the changes.
  TFlag flag(updatingEditValue_, true);
  InternalSetEditValue(value, true);
}

void TcxCustomTextEdit::SynchronizeDisplayValue() {
  if (!inner_ || destroying_ || updatingEditValue_) return;
  TcxCustomTextEditProperties* properties = EffectiveTextProperties();
  Variant display;
  Variant value = ReadEditValue();
  if (properties->CanValidate()) {
    if (properties->IsEditValueValid(value, InEditingMode()) || Focused()) {
      Variant v = ReadEditValue();
      if (properties->IsEditValueValid(v, InEditingMode()))
        PrepareDisplayValue(ReadEditValue(), display, InEditingMode());
      else
        display = Variant(String());
    } else {
      try {
        display = Variant(VarToStr(ReadEditValue()));
      } catch (const EVariantError&) {
        display = Variant(String());
      }
    }
  } else {
    PrepareDisplayValue(ReadEditValue(), display, InEditingMode());
  }
  {
    TModifiedState state(this);
    TFlag flag(synchronizingDisplay_, true);
    DataBinding()->SetDisplayValue(display);
  }
  ResetFindSelection();
  RefreshDisplayText();
}

void TcxCustomTextEdit::RefreshDisplayText() {
  if (TcxCustomTextEditViewInfo* vi = GetTextEditViewInfo()) {
    vi->Text = VarToStr(CurrentDisplayText());
    EffectiveTextProperties()->AdjustDisplayText(vi->Text);
    vi->TextOutData.Prepared = false;
    vi->InnerEditShowsText = IsInnerEditShown();
  }
  if (!HandleAllocated()) return;
  RefreshStateAtCursor(false);
  UpdateFindSelectionDisplay();
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TcxCustomTextEdit::UpdateFindSelectionDisplay() {
  TcxCustomTextEditViewInfo* vi = GetTextEditViewInfo();
  if (!vi) return;
  TcxCustomTextEditProperties* properties = EffectiveTextProperties();
  const TcxTextEditingStyle style = properties->GetEditingStyle();
  if (style != tesListOnly && style != tesNoTyping) return;
  vi->SelStart = vi->SelLength = 0;
  if (style == tesNoTyping || !findSelection_ || !properties->HighlightFixedListMatch()) return;
  const Integer length = CharLength(vi->Text);
  if (vi->PaintsAsSelection) {
    vi->SelStart = 0;
    vi->SelLength = length - innerEdit_->GetSelLength();
    vi->SelBackgroundColor = clHighlightText;
    vi->SelTextColor = clHighlight;
  } else {
    vi->SelStart = innerEdit_->GetSelStart();
    vi->SelLength = innerEdit_->GetSelLength();
    vi->SelBackgroundColor = clHighlight;
    vi->SelTextColor = clHighlightText;
  }
}

void TcxCustomTextEdit::DataChanged() {
  LockChangeEvents(true);
  try {
    TcxCustomEdit::DataChanged();
    if (TcxCustomTextEditViewInfo* vi = GetTextEditViewInfo(); !vi || !vi->InnerEditShowsText) RefreshDisplayText();
    TcxCustomTextEditProperties* properties = EffectiveTextProperties();
    if (Focused() && properties->HasNumericValue() && properties->UsesThousandSeparators(synchronizingDisplay_))
      ReformatThousandSeparators();
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
}

void TcxCustomTextEdit::ReformatThousandSeparators() {
  String text = VarToStr(CurrentDisplayText());
  AddThousandSeparators(text);
  String plain = text;
  RemoveThousandSeparators(plain);
  double unused;
  if (!TryStrToFloat(plain, unused)) return;
  const char separator = FormatSettings.ThousandSeparator;
  const String old = VarToStr(CurrentDisplayText());
  const size_t caret_bytes = ByteOffset(old, innerEdit_->GetSelStart());
  Integer n = 0;
  for (size_t i = 0; i < caret_bytes; ++i)
    if (old[i] != separator) ++n;
  if (text == old) return;
  SetValidatedDisplayValue(Variant(text));
  if (n == 0) return;
  Integer seen = 0, pos = 0;
  for (size_t i = 0; i < text.size() && seen < n; ++i, ++pos)
    if (text[i] != separator) ++seen;
  innerEdit_->SetSelStart(pos);
}

TcxEditSizeProperties TcxCustomTextEdit::GetEditSizeProperties() { return {-1, 1, -1}; }

bool TcxCustomTextEdit::CanModifyEdit() { return EffectiveTextProperties()->GetEditingStyle() != tesNoTyping; }

bool TcxCustomTextEdit::AcceptsChar(char32_t c) {
  return TcxCustomEdit::AcceptsChar(c) || EffectiveTextProperties()->IsExtraValidChar(c);
}

bool TcxCustomTextEdit::IsEditingChar(char32_t c) { return c == 8 || c == 22 || c == 24 || c >= 32; }

bool TcxCustomTextEdit::IsEditingKey(Word key, TShiftState shift) {
  if (TcxCustomEdit::IsEditingKey(key, shift) || key == VK_DELETE) return true;
  if (UsesLookupData() && !lookupData_->HasNoItems() && CanNavigateLookupItems(false) && !IsPopupOpen()) {
    if (key == VK_PRIOR || key == VK_NEXT) return true;
    if ((key == VK_UP || key == VK_DOWN) && !shift.Contains(ssAlt)) return true;
  }
  return false;
}

void TcxCustomTextEdit::FireNewLookupDisplayText(const String& text) {
  if (TextProperties()->OnNewLookupDisplayText) TextProperties()->OnNewLookupDisplayText(this, text);
  if (RepositoryItem())
    if (auto* p = EffectiveTextProperties(); p->OnNewLookupDisplayText) p->OnNewLookupDisplayText(this, text);
}

// ---- selection ---------------------------------------------------------------------------------------

Integer TcxCustomTextEdit::SelStart() {
  const TcxTextEditingStyle style = EffectiveTextProperties()->GetEditingStyle();
  if (!innerEdit_ || style == tesNoTyping || (style == tesListOnly && !findSelection_)) return 0;
  return innerEdit_->GetSelStart();
}

Integer TcxCustomTextEdit::SelLength() {
  const TcxTextEditingStyle style = EffectiveTextProperties()->GetEditingStyle();
  if (!innerEdit_ || style == tesNoTyping || (style == tesListOnly && !findSelection_)) return 0;
  return innerEdit_->GetSelLength();
}

void TcxCustomTextEdit::SetSelStart(Integer value) {
  if (innerEdit_ && EffectiveTextProperties()->GetEditingStyle() != tesNoTyping) innerEdit_->SetSelStart(value);
}

void TcxCustomTextEdit::SetSelLength(Integer value) {
  if (innerEdit_ && EffectiveTextProperties()->GetEditingStyle() != tesNoTyping) innerEdit_->SetSelLength(value);
}

void TcxCustomTextEdit::SelectWholeText() {
  if (innerEdit_) innerEdit_->SelectAll();
}

void TcxCustomTextEdit::SetFindSelection(bool value) {
  if (!HandleAllocated() || findSelection_ == value) return;
  findSelection_ = value;
  RefreshDisplayText();
}

void TcxCustomTextEdit::ResetFindSelection() {
  if (UsesLookupData()) SetFindSelection(false);
}

void TcxCustomTextEdit::DoExit() {
  TWeakRef<TcxCustomTextEdit> self(this);
  TcxCustomEdit::DoExit();
  if (self) SetFindSelection(false);
}

void TcxCustomTextEdit::KeyPress(char32_t& key) {
  if (key == 27 && closeKeyPending_ && !IsPopupOpen()) closeKeyPending_ = false;
  TcxCustomEdit::KeyPress(key);
}

// ---- composition -------------------------------------------------------------------------------------

bool TcxCustomTextEdit::ComposeInsertedText(const String& input, String& new_text, Integer& new_caret) {
  new_text.clear();
  const String text = input.substr(0, input.find('\0'));
  TcxCustomTextEditProperties* properties = EffectiveTextProperties();
  const TcxTextEditingStyle style = properties->GetEditingStyle();
  if (UserChange() && style == tesNoTyping) return false;
  if (style == tesListOnly || style == tesNoTyping) SelectWholeText();
  const String current = VarToStr(CurrentDisplayText());
  const Integer sel_start = innerEdit_ ? innerEdit_->GetSelStart() : 0;
  const Integer sel_length = innerEdit_ ? innerEdit_->GetSelLength() : 0;
  const String before = current.substr(0, ByteOffset(current, sel_start));
  const String after = current.substr(ByteOffset(current, sel_start + sel_length));
  const Integer max_length = properties->MaxLength();
  if (!UserChange() || style != tesFreeText || max_length <= 0) {
    new_text = style == tesListOnly ? text : before + text + after;
    new_caret = sel_start + CharLength(text);
  } else {
    String head = before + text;
    new_caret = std::min(CharLength(head), max_length);
    if (new_caret < sel_start) {
      new_text.clear();
      return false;
    }
    new_text = (head + after).substr(0, ByteOffset(head + after, max_length));
  }
  Variant value(new_text);
  if (!properties->AcceptDisplayText(value, InEditingMode())) {
    new_text.clear();
    return false;
  }
  if (UserChange() && !CanModify()) {
    new_text.clear();
    return false;
  }
  new_text = VarToStr(value);
  return true;
}

void TcxCustomTextEdit::ReplaceSelection(const String& text) {
  TUserChange scope(this, Focused());
  String new_text;
  Integer caret = 0;
  if (!ComposeInsertedText(text, new_text, caret)) return;
  InternalSetDisplayValue(Variant(new_text));
  SetSelStart(caret);
}

void TcxCustomTextEdit::ClearSelectionText() {
  if (!innerEdit_ || innerEdit_->GetSelLength() == 0) return;
  TUserChange scope(this, Focused());
  const String current = VarToStr(CurrentDisplayText());
  const Integer start = innerEdit_->GetSelStart();
  const String rest = current.substr(0, ByteOffset(current, start)) +
                      current.substr(ByteOffset(current, start + innerEdit_->GetSelLength()));
  if (TrySetDisplayText(rest)) SetSelStart(start);
}

void TcxCustomTextEdit::CopyTextOut() {
  const TcxTextEditingStyle style = EffectiveTextProperties()->GetEditingStyle();
  if (style == tesListOnly || style == tesNoTyping) SelectWholeText();
  if (innerEdit_ && innerEdit_->GetSelLength() > 0) innerEdit_->CopyToClipboard();
}

void TcxCustomTextEdit::CutToClipboard() {
  if (!innerEdit_ || innerEdit_->GetSelLength() == 0) return;
  if (Focused()) {
    TUserChange scope(this, true);
    String new_text;
    Integer caret = 0;
    if (ComposeInsertedText("", new_text, caret)) innerEdit_->CallEditWndProc(WM_CUT, 0, 0);
  } else {
    innerEdit_->CopyToClipboard();
    ReplaceSelection("");
  }
}

void TcxCustomTextEdit::PasteFromClipboard() {
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  String text = Clipboard()->AsText();
  // Pasting and typing share one rule: the composed text is what the edit shows, the same
  // whether focused or not; a line break ends the pasted text.
  const size_t line_break = text.find_first_of("\r\n");
  if (line_break != String::npos) text.resize(line_break);
  TUserChange scope(this, UserChange() || Focused());
  String new_text;
  Integer caret = 0;
  if (!ComposeInsertedText(text, new_text, caret)) return;
  InternalSetDisplayValue(Variant(new_text));
  SetSelStart(caret);
}

// ---- keys --------------------------------------------------------------------------------------------

void TcxCustomTextEdit::MoveLookup(Integer direction) {
  const Variant old_key = lookupData_->ReadCurrentKey();
  {
    LockChangeEvents(true);
    TFlag flag(lookupNavigating_, true);
    TValueAssignment assignment(this);
    try {
      lookupData_->MoveItem(direction, false);
    } catch (...) {
      LockChangeEvents(false);
      throw;
    }
    LockChangeEvents(false);
  }
  if (LookupKeyChanged(lookupData_->ReadCurrentKey(), old_key)) {
    ModifiedByUser();
    if (CanPostEditValue() && GetEffectiveProperties()->ImmediatePost() && ValidateEdit(true)) PostEditValue(false);
  }
}

void TcxCustomTextEdit::DoEditKeyDown(Word& key, TShiftState shift) {
  TcxCustomTextEditProperties* properties = EffectiveTextProperties();
  const TcxTextEditingStyle style = properties->GetEditingStyle();
  if (style == tesListOnly && (key == VK_LEFT || key == VK_RIGHT || key == VK_DELETE)) {
    SetFindSelection(false);
    FireTrailingKeyEvent(key, shift);
    key = 0;
    return;
  }
  if (innerEdit_) innerEdit_->SetKeyConsumed(true);
  const Word pressed = key;
  const bool had_find_selection = findSelection_;
  TWeakRef<TcxCustomTextEdit> self(this);
  TcxCustomEdit::DoEditKeyDown(key, shift);
  if (!self) return;
  if (pressed == VK_RETURN && had_find_selection) SelectWholeText();
  if (key >= VK_PRIOR && key <= VK_DELETE) {
    switch (key) {
      case VK_LEFT:
      case VK_RIGHT:
        if (!shift.Contains(ssShift) && innerEdit_ && innerEdit_->GetSelLength() > 0) {
          const Integer start = innerEdit_->GetSelStart(), length = innerEdit_->GetSelLength();
          innerEdit_->SetSelStart(key == VK_LEFT ? start : start + length);
          innerEdit_->SetSelLength(0);
          key = 0;
        }
        SetFindSelection(false);
        break;
      case VK_DELETE:
        if (style == tesListOrText) {
          FireTrailingKeyEvent(key, shift);
          key = 0;
        } else {
          SetFindSelection(false);
        }
        break;
      case VK_PRIOR:
      case VK_NEXT:
      case VK_UP:
      case VK_DOWN:
      case VK_HOME:
      case VK_END: {
        const bool list_key = key != VK_HOME && key != VK_END;
        if ((list_key || style == tesListOnly) && UsesLookupData() && CanNavigateLookupItems(false) &&
            !lookupData_->HasNoItems()) {
          const bool ctrl = shift.Contains(ssCtrl);
          Integer direction = lmNext;
          switch (key) {
            case VK_PRIOR: direction = ctrl ? lmFirst : lmPageUp; break;
            case VK_NEXT: direction = ctrl ? lmLast : lmPageDown; break;
            case VK_HOME: direction = lmFirst; break;
            case VK_END: direction = lmLast; break;
            case VK_UP: direction = lmPrevious; break;
            default: direction = lmNext; break;
          }
          MoveLookup(direction);
          key = 0;
        } else if (list_key && !properties->IsMultiLine()) {  // a multi-line edit moves by rows
          FireTrailingKeyEvent(key, shift);
          key = 0;
        }
        break;
      }
      default: break;
    }
  }
  if (key == VK_END && innerEdit_ && innerEdit_->GetSelLength() == 0 && style != tesListOnly)
    SetFindSelection(false);
  if (key != 0 && innerEdit_) innerEdit_->SetKeyConsumed(false);
}

bool TcxCustomTextEdit::IncrementalSearch(String& text) {
  String search = text;
  if (Byte pending = innerEdit_->GetPendingImeByte()) search += char(pending);
  String tail;
  const bool found = lookupData_->FindPrefix(search, tail, false);
  if (found) text = search;
  findSelection_ = found;
  TcxCustomTextEditProperties* properties = EffectiveTextProperties();
  if (text.empty()) {
    if (properties->GetEditingStyle() != tesListOnly) DataBinding()->SetDisplayValue(Variant(String()));
    findSelection_ = false;
  }
  if (found) {
    DataBinding()->SetDisplayValue(Variant(text + tail));
    innerEdit_->SetSelStart(CharLength(text));
    innerEdit_->SetSelLength(CharLength(tail));
  }
  RefreshDisplayText();
  return found;
}

void TcxCustomTextEdit::DoEditKeyPress(char32_t& key) {
  if (innerEdit_) innerEdit_->SetKeyConsumed(true);
  TWeakRef<TcxCustomTextEdit> self(this);
  TcxCustomEdit::DoEditKeyPress(key);
  if (!self || key == 0) return;
  TcxCustomTextEditProperties* properties = EffectiveTextProperties();
  const TcxTextEditingStyle style = properties->GetEditingStyle();
  lookupTextChange_ = false;
  const bool saved_user_change = UserChange();
  SetUserChange(true);
  const Variant old_key = lookupData_ ? lookupData_->ReadCurrentKey() : Variant(-1);
  const bool prev_found = findSelection_;
  LockValueAssignment(true);
  bool found = false;
  try {
    const bool search_active =
        UsesLookupData() && ((style == tesFreeText && properties->IncrementalSearch()) || style != tesFreeText);
    if (style == tesListOnly && !properties->HighlightFixedListMatch() && key == 8) {
      key = 0;
      SetFindSelection(false);
    } else if (key == 8 && search_active) {
      String text = VarToStr(CurrentDisplayText());
      if (style == tesListOrText && !text.empty() && !findSelection_) {
        const Integer caret = innerEdit_->GetSelStart();
        innerEdit_->SetSelLength(CharLength(text) - caret);
        findSelection_ = true;
      }
      if (findSelection_) {
        String search = text.substr(0, ByteOffset(text, innerEdit_->GetSelStart()));
        if (!search.empty()) search = search.substr(0, ByteOffset(search, CharLength(search) - 1));
        lookupTextChange_ = true;
        found = IncrementalSearch(search);
        if (!found && style != tesListOnly) {
          // Nothing left to complete: the shortened text stays, without a tail.
          DataBinding()->SetDisplayValue(Variant(search));
          innerEdit_->SetSelStart(CharLength(search));
          SetFindSelection(false);
        }
        if (style != tesListOnly) key = 0;
      }
      if (style == tesListOnly) key = 0;
    } else if (key > 31 && search_active) {
      const String current = VarToStr(CurrentDisplayText());
      const Integer sel_start = innerEdit_->GetSelStart(), sel_length = innerEdit_->GetSelLength();
      const bool caret_at_end = sel_length == 0 && sel_start == CharLength(current);
      const bool can_search = style != tesFreeText || caret_at_end || findSelection_ || sel_length > 0;
      if (can_search) {
        lookupTextChange_ = true;
        String ch;
        AppendUtf8(ch, key);
        String text = current;
        if (sel_length > 0) {
          text = current.substr(0, ByteOffset(current, sel_start)) + ch;
        } else if (style != tesListOnly) {
          const size_t at = ByteOffset(current, sel_start);
          text = current.substr(0, at) + ch + current.substr(at);
        } else if (findSelection_) {
          text = current + ch;
          found = IncrementalSearch(text);
          if (!found) text = ch;
        } else {
          text = ch;
        }
        if (!found) found = IncrementalSearch(text);
        if (!found && style == tesListOnly && !properties->HighlightFixedListMatch()) {
          text = ch;
          found = IncrementalSearch(text);
        }
      }
      if (!found && (style == tesListOnly || style == tesListOrText) && can_search) {
        if (style == tesListOnly) key = 0;
      }
      if (style == tesListOrText && !VarToStr(CurrentDisplayText()).empty() && found) findSelection_ = true;
      if (style == tesListOnly && properties->HighlightFixedListMatch() && prev_found && !found)
        findSelection_ = true;
    }
  } catch (...) {
    if (self) {
      LockValueAssignment(false);
      SetUserChange(saved_user_change);
    }
    throw;
  }
  LockValueAssignment(false);
  SetUserChange(saved_user_change);
  if (UsesLookupData() && LookupKeyChanged(lookupData_->ReadCurrentKey(), old_key)) ModifiedByUser();
  if (found) key = 0;
  if (key != 0 && innerEdit_) innerEdit_->SetKeyConsumed(false);
}

bool TcxCustomTextEdit::DoMouseWheel(TShiftState shift, Integer delta, TPoint mouse_pos) {
  if (TcxCustomEdit::DoMouseWheel(shift, delta, mouse_pos)) return true;
  const bool handles = CanNavigateLookupItems(true) && !IsPopupOpen() && UsesLookupData() &&
                       !lookupData_->HasNoItems() && (InPlace() ? shift.Contains(ssCtrl) || GetEffectiveProperties()->UseMouseWheel() : true);
  if (handles && CanModify()) MoveLookup(delta > 0 ? lmPrevious : lmNext);
  return handles;
}

// ---- lookup items ------------------------------------------------------------------------------------

Variant TcxCustomTextEdit::KeyToEditValue(const Variant& key) {
  Variant value;
  DisplayToEditValue(Variant(lookupData_ ? lookupData_->ItemTextForKey(key) : String()), value, false);
  return value;
}

Integer TcxCustomTextEdit::KeyToItemIndex(const Variant& key) {
  return key.IsNull() || key.IsEmpty() ? -1 : Integer(key.AsInteger());
}

Integer TcxCustomTextEdit::ItemIndex() {
  return lookupData_ ? KeyToItemIndex(lookupData_->ReadCurrentKey()) : -1;
}

TObject* TcxCustomTextEdit::GetItemObject() {
  const Integer index = ItemIndex();
  return index == -1 ? nullptr : EffectiveTextProperties()->LookupItems()->Objects(index);
}

void TcxCustomTextEdit::LookupItemSelected(TObject*) {
  const Variant value = KeyToEditValue(lookupData_->ReadCurrentKey());
  const Variant old = ReadEditValue();
  const bool same = value.VarType() == old.VarType() && SameVariantValues(value, old);
  if (!same && !CanModify()) return;
  {
    TModifiedState state(this);
    SetInternalEditValue(value);
  }
  if (!same) SetChangedSinceEnter(true);
  SelectWholeText();
  RefreshStateAtCursor(false);
}

void TcxCustomTextEdit::SetItemIndex(Integer value) {
  if (!lookupData_) return;
  const Integer old = ItemIndex();
  {
    TValueAssignment assignment(this);
    lookupData_->WriteCurrentKey(ItemIndexToKey(value));
    const Variant v = KeyToEditValue(lookupData_->ReadCurrentKey());
    const Variant current = ReadEditValue();
    if (v.VarType() != current.VarType() || !SameVariantValues(v, current)) WriteEditValue(v);
  }
  if (ItemIndex() != old) {
    SetModifiedFlag(false);
    Click();
  }
}

void TcxCustomTextEdit::SelectItemByObject(TObject* object) {
  TStringList* items = EffectiveTextProperties()->LookupItems();
  Integer index = -1;
  for (Integer i = 0; i < items->Count() && index == -1; ++i)
    if (items->Objects(i) == object) index = i;
  SetItemIndex(index);
}

void TcxCustomTextEdit::SetTextIfModifiable(const String& text) {
  if (!CanModify()) return;
  SetText(text);
  SetChangedSinceEnter(true);
}
