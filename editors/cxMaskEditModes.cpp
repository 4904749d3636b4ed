#include "editors/cxMaskEditModes.h"

#include "foundation/cxClasses.h"
#include "rtl/SysUtils.h"
#include "user/WinUser.h"

KORVAN_IMPLEMENT_CLASS(TcxMaskEditCustomMode)
KORVAN_IMPLEMENT_CLASS(TcxMaskEditStandardMode)
KORVAN_IMPLEMENT_CLASS(TcxMaskEditRegExprMode)
KORVAN_IMPLEMENT_CLASS(TcxMaskEditRegExprExMode)

namespace {

const char* const scxMaskEditRegExprError = "Regular expression errors:";

// Bytes of the first n characters.
size_t Bytes(const String& s, Integer n) { return n <= 0 ? 0 : size_t(CharToElementLen(s, n)); }
String FirstChars(const String& s, Integer n) { return s.substr(0, Bytes(s, n)); }
String AfterChars(const String& s, Integer n) { return s.substr(std::min(Bytes(s, n), s.size())); }

// Byte length of the last character.
size_t LastCharBytes(const String& s) {
  size_t i = s.size();
  while (i > 0 && (Byte(s[i - 1]) & 0xC0) == 0x80) --i;
  if (i == 0) return s.size();
  size_t offset = i - 1;
  DecodeUtf8(s, offset);
  return offset == s.size() ? s.size() - (i - 1) : 1;
}

// The first character and its byte length.
char32_t FirstCharOf(const String& s, size_t& bytes) {
  bytes = 0;
  return DecodeUtf8(s, bytes);
}

String CharText(char32_t c) {
  String s;
  AppendUtf8(s, c);
  return s;
}

void CompileInto(TcxRegExpr& expr, const String& mask) {
  TStringStream stream(mask);
  expr.Compile(&stream);
}

}  // namespace

bool IsBlankMask(const String& text) {
  for (char c : text)
    if (c != 0 && c != 9 && c != 10 && c != 12 && c != 13 && c != 32) return false;
  return true;
}

// ---- the base ------------------------------------------------------------------------------------

TcxMaskEditCustomMode::TcxMaskEditCustomMode(IcxMaskModeEdit* edit, IcxMaskModeProperties* properties)
    : properties_(edit ? nullptr : properties), edit_(edit) {}

TcxMaskEditCustomMode::~TcxMaskEditCustomMode() = default;

IcxMaskModeProperties* TcxMaskEditCustomMode::ResolveProperties() const {
  return edit_ ? edit_->ModeProperties() : properties_;
}

void TcxMaskEditCustomMode::BeepIfAllowed() {
  IcxMaskModeProperties* properties = ResolveProperties();
  if (edit_ && properties && properties->BeepOnError()) edit_->Beep();
}

void TcxMaskEditCustomMode::RefreshDisplayValue() {
  if (!EditAvailable()) return;
  String text = edit_->ModifiedAfterEnter() ? FormatText(edit_->Text(), true) : edit_->PreparedDisplayValue();
  edit_->SetValidatedDisplayValue(text);
}

std::unique_ptr<TcxMaskEditCustomMode> CreateMaskEditMode(TcxEditMaskKind kind, IcxMaskModeEdit* edit,
                                                          IcxMaskModeProperties* properties) {
  switch (kind) {
    case emkRegExpr: return std::make_unique<TcxMaskEditRegExprMode>(edit, properties);
    case emkRegExprEx: return std::make_unique<TcxMaskEditRegExprExMode>(edit, properties);
    default: return std::make_unique<TcxMaskEditStandardMode>(edit, properties);
  }
}

// ---- the standard mode -------------------------------------------------------------------------

TcxMaskEditStandardMode::TcxMaskEditStandardMode(IcxMaskModeEdit* edit, IcxMaskModeProperties* properties)
    : TcxMaskEditCustomMode(edit, properties), standardMask_(std::make_unique<TcxStandardMask>()) {}

TcxMaskEditStandardMode::~TcxMaskEditStandardMode() = default;

Integer TcxMaskEditStandardMode::TextLength() const { return CharCount(edit_->Text()); }

void TcxMaskEditStandardMode::SetModeMask(const String& mask) {
  mask_ = mask;
  if (IsBlankMask(mask))
    standardMask_->ClearMask();
  else
    standardMask_->SetMask(mask);
  needsEmptyValue_ = !EditAvailable();
}

String TcxMaskEditStandardMode::FormatText(const String& text, bool literals_included) {
  String result = text;
  standardMask_->FitText(result, true, literals_included);
  return result;
}

String TcxMaskEditStandardMode::EditValueOfText(const String& text, bool literals_included) {
  if (standardMask_->Count() == 0) return text;
  IcxMaskModeProperties* properties = ResolveProperties();
  bool checked = !properties || properties->CharCase() == ecNormal;
  String result = text;
  standardMask_->FitText(result, checked, literals_included);
  standardMask_->ValueText(result);
  return result;
}

bool TcxMaskEditStandardMode::CaretAtFirst() {
  Integer leading = 0;
  while (standardMask_->IsLiteral(leading)) ++leading;
  Integer start = edit_->SelStart();
  return start <= leading && (edit_->SelLength() < 2 || edit_->CaretPos() == start);
}

bool TcxMaskEditStandardMode::CaretAtLast() { return edit_->SelStart() == TextLength(); }

bool TcxMaskEditStandardMode::IsTextValid(const String& text) {
  String checked = text;
  if (standardMask_->IsComplete(checked)) return true;
  IcxMaskModeProperties* properties = ResolveProperties();
  return properties && properties->IgnoreMaskBlank() && text == FormatText(String(), true);
}

void TcxMaskEditStandardMode::NoteMouseAction() {
  if (!edit_ || !edit_->HandleAllocated() || IsBlankMask(mask_) || edit_->SelLength() != 0) return;
  if (edit_->SelStart() < TextLength()) edit_->SetSelLengthGuarded(1);
}

void TcxMaskEditStandardMode::PreparePaste() {
  pasteSelStart_ = edit_->SelStart();
  edit_->SetSelLengthGuarded(pendingPasteLength_);
}

void TcxMaskEditStandardMode::FinishPaste() {
  Integer position = std::max(0, std::min(pasteSelStart_ + pendingPasteLength_, TextLength() - 1));
  edit_->SetSelStart(position);
  if (standardMask_->IsLiteral(position)) {
    edit_->SetShiftFlag(false);
    MoveRight();
  }
}

bool TcxMaskEditStandardMode::DeleteForward() {
  std::u32string chars = ToMaskChars(edit_->Text());
  Integer start = edit_->SelStart(), end = start + edit_->SelLength();
  for (Integer p = start; p < end && p < Integer(chars.size()); ++p) {
    if (!standardMask_->IsFill(p)) continue;
    char32_t c = EmptyCharAt(p + 1);
    if (c != 0) chars[size_t(p)] = c;
  }
  edit_->SetValidatedDisplayValue(FromMaskChars(chars));
  edit_->SetSelStart(start);
  return false;
}

bool TcxMaskEditStandardMode::DeleteBackward() {
  if (edit_->SelLength() <= 1) MoveLeft();
  return DeleteForward();
}

bool TcxMaskEditStandardMode::GoToEnd() {
  if (edit_->ShiftFlag()) return true;
  edit_->SetSelStart(TextLength());
  return false;
}

bool TcxMaskEditStandardMode::GoToHome() {
  if (edit_->ShiftFlag()) return true;
  edit_->SetSelStart(0);
  if (standardMask_->IsLiteral(0)) MoveRight();
  return false;
}

bool TcxMaskEditStandardMode::MoveLeft() {
  Integer start = edit_->SelStart(), length = edit_->SelLength();
  if (edit_->ShiftFlag()) {
    if (length == 1) {
      // The native Shift selection starts from the block: a caret after it, moved back.
      edit_->SetSelStartGuarded(start + 1);
      edit_->SetSelLengthGuarded(0);
      edit_->SendKeyDown(VK_LEFT);
      edit_->SendKeyDown(VK_LEFT);
    }
    return true;
  }
  if (length >= 2) {
    Integer end = start + length, p = start;
    while (p < end && standardMask_->IsLiteral(p)) ++p;
    if (p == end) p = end >= TextLength() ? end : start;
    edit_->SetSelStart(p);
    return false;
  }
  Integer p = start - 1;
  while (p >= 0 && standardMask_->IsLiteral(p)) --p;
  edit_->SetSelStart(p >= 0 ? p : start);
  return false;
}

bool TcxMaskEditStandardMode::MoveRight() {
  Integer start = edit_->SelStart(), length = edit_->SelLength(), text_length = TextLength();
  if (edit_->ShiftFlag()) {
    if (length == 1 && edit_->CaretPos() == start) edit_->SetSelLengthGuarded(0);
    return true;
  }
  if (length < 2) {
    if (start >= text_length) return false;
    Integer p = start + 1;
    while (p < text_length && standardMask_->IsLiteral(p)) ++p;
    edit_->SetSelStart(p);
    return false;
  }
  Integer end = start + length, p;
  if (end >= text_length) {
    p = text_length;
  } else {
    p = end - 1;
    while (p >= start && standardMask_->IsLiteral(p)) --p;
    if (p < start) p = end - 1;
  }
  edit_->SetSelStart(p);
  return false;
}

bool TcxMaskEditStandardMode::PressChar(char32_t& c) {
  Integer text_length = TextLength(), start = edit_->SelStart();
  if (text_length == 0 || start >= text_length || start >= standardMask_->Count()) return false;
  if (standardMask_->IsLiteral(start)) {
    edit_->SetShiftFlag(false);
    if (edit_->SelLength() > 1) DeleteForward();
    MoveRight();
    if (edit_->SelStart() != start) return PressChar(c);
    return false;
  }
  char32_t checked = c;
  if (!standardMask_->Items(start)->Check(checked)) return false;
  if (!edit_->ValidateMaskChar(checked, start + 1)) return false;
  if (checked == 0) {
    BeepIfAllowed();
    return false;
  }
  // The hook may have rewritten the text and moved the caret (a time digit typed past its range
  // writes "0" and goes on into the next digit): the character lands at the caret as it is now.
  start = edit_->SelStart();
  text_length = TextLength();
  if (start >= text_length || start >= standardMask_->Count() || standardMask_->IsLiteral(start)) return false;
  if (edit_->SelLength() > 1) DeleteForward();
  std::u32string chars = ToMaskChars(edit_->Text());
  if (start < Integer(chars.size())) chars[size_t(start)] = checked;
  edit_->SetValidatedDisplayValue(FromMaskChars(chars));
  edit_->SetSelStart(start);
  edit_->SetShiftFlag(false);
  MoveRight();
  return false;
}

void TcxMaskEditStandardMode::RefreshDisplayValue() {
  TcxMaskEditCustomMode::RefreshDisplayValue();
  NoteMouseAction();
}

void TcxMaskEditStandardMode::ApplyEmptyEditValue() {
  if (!needsEmptyValue_ || !edit_) return;
  edit_->SetInternalEditValue(EmptyEditValueText());
  needsEmptyValue_ = false;
}

// ---- the regular-expression mode ---------------------------------------------------------------

TcxMaskEditRegExprMode::TcxMaskEditRegExprMode(IcxMaskModeEdit* edit, IcxMaskModeProperties* properties)
    : TcxMaskEditCustomMode(edit, properties), regExpr_(std::make_unique<TcxRegExpr>()) {
  IcxMaskModeProperties* resolved = ResolveProperties();
  regExpr_->SetCaseInsensitive(resolved && resolved->CaseInsensitive());
}

TcxMaskEditRegExprMode::~TcxMaskEditRegExprMode() = default;

void TcxMaskEditRegExprMode::SetModeMask(const String& mask) {
  mask_ = mask;
  head_.clear();
  headChars_ = 0;
  tail_.clear();
  if (IsBlankMask(mask)) {
    regExpr_->Discard();
    return;
  }
  try {
    CompileInto(*regExpr_, mask);
  } catch (const EcxRegExprError& e) {
    String message = ReplaceResourceText(scxMaskEditRegExprError);
    for (Integer i = 0; i < e.Errors().Count(); ++i) message += "\r\n" + e.Errors().Item(i).ErrorText();
    throw EcxMaskEditError(message);
  }
}

std::unique_ptr<TcxRegExpr> TcxMaskEditRegExprMode::PrivateExpr() const {
  TStream* source = regExpr_->CompiledSource();
  if (!source) return nullptr;
  auto expr = std::make_unique<TcxRegExpr>();
  IcxMaskModeProperties* properties = ResolveProperties();
  expr->SetCaseInsensitive(properties && properties->CaseInsensitive());
  expr->Compile(source);
  return expr;
}

String TcxMaskEditRegExprMode::FormatText(const String& text, bool) {
  if (!regExpr_->IsCompiled()) return String();
  regExpr_->Restart();
  synced_ = false;
  String result;
  for (size_t offset = 0; offset < text.size();) {
    char32_t c = DecodeUtf8(text, offset);
    if (regExpr_->Advance(c)) AppendUtf8(result, c);
  }
  return result;
}

bool TcxMaskEditRegExprMode::IsTextValid(const String& text) {
  if (text.empty()) return true;
  auto expr = PrivateExpr();
  if (!expr) return false;
  for (size_t offset = 0; offset < text.size();) {
    char32_t c = DecodeUtf8(text, offset);
    if (!expr->Advance(c)) return false;
  }
  IcxMaskModeProperties* properties = ResolveProperties();
  return (properties && properties->IgnoreMaskBlank()) || expr->IsFinal();
}

bool TcxMaskEditRegExprMode::CaretAtFirst() { return edit_->SelStart() == 0; }

bool TcxMaskEditRegExprMode::CaretAtLast() { return edit_->SelStart() == CharCount(edit_->Text()); }

void TcxMaskEditRegExprMode::MoveToHead(Integer count, bool feed) {
  for (Integer i = 0; i < count && !tail_.empty(); ++i) {
    size_t bytes;
    char32_t c = FirstCharOf(tail_, bytes);
    if (feed) regExpr_->Advance(c);
    head_.append(tail_, 0, bytes);
    ++headChars_;
    tail_.erase(0, bytes);
  }
}

void TcxMaskEditRegExprMode::MoveToTail(Integer count, bool step_back) {
  for (Integer i = 0; i < count && !head_.empty(); ++i) {
    size_t bytes = LastCharBytes(head_);
    tail_.insert(0, head_, head_.size() - bytes, bytes);
    head_.resize(head_.size() - bytes);
    --headChars_;
    if (step_back) regExpr_->StepBack();
  }
}

void TcxMaskEditRegExprMode::Resynchronise() {
  if (!regExpr_->IsCompiled()) return;
  // Nothing reported since the last step and head or tail known: the text is not read (a key
  // typed at the end of a long text costs no copy of it).
  if (!resync_ && !(head_.empty() && tail_.empty())) return;
  String text = edit_->Text();
  if (!(resync_ || !text.empty())) return;
  resync_ = false;
  Integer caret = edit_->CaretPos();
  // Head and tail still stand for the text and the caret, with every head character fed:
  // nothing to rebuild (typing at the end of a long text stays cheap).
  if (synced_ && caret == headChars_ && regExpr_->Automat()->Depth() == headChars_ &&
      text.size() == head_.size() + tail_.size() &&
      text.compare(0, head_.size(), head_) == 0 && text.compare(head_.size(), String::npos, tail_) == 0)
    return;
  regExpr_->Restart();
  head_.clear();
  headChars_ = 0;
  tail_ = text;
  MoveToHead(caret, true);
  synced_ = true;
}

bool TcxMaskEditRegExprMode::TailFits() {
  Integer fed = 0;
  bool fits = true;
  for (size_t offset = 0; offset < tail_.size();) {
    char32_t c = DecodeUtf8(tail_, offset);
    if (!regExpr_->Advance(c)) {
      fits = false;
      break;
    }
    ++fed;
  }
  for (Integer i = 0; i < fed; ++i) regExpr_->StepBack();
  return fits;
}

void TcxMaskEditRegExprMode::DropTail() {
  String text = edit_->Text();
  Integer caret = edit_->SelStart();
  String before = FirstChars(text, caret);
  String after = AfterChars(AfterChars(text, caret), CharCount(tail_));
  edit_->SetValidatedDisplayValue(before + after);
  edit_->SetSelStartGuarded(CharCount(before + after));
  tail_.clear();
}

void TcxMaskEditRegExprMode::CutSelection() {
  cutSelection_.clear();
  Integer start = edit_->SelStart(), length = edit_->SelLength();
  if (length <= 0) return;
  if (start == headChars_) {
    cutSelection_ = FirstChars(tail_, length);
    tail_.erase(0, cutSelection_.size());
    selectionAtStart_ = true;
  } else if (start + length == headChars_) {
    size_t bytes = head_.size() - Bytes(head_, headChars_ - length);
    cutSelection_ = head_.substr(head_.size() - bytes);
    head_.resize(head_.size() - bytes);
    headChars_ -= length;
    for (Integer i = 0; i < length; ++i) regExpr_->StepBack();
    selectionAtStart_ = false;
  }
}

void TcxMaskEditRegExprMode::PutSelectionBack() {
  if (cutSelection_.empty()) return;
  if (selectionAtStart_) {
    tail_.insert(0, cutSelection_);
  } else {
    for (size_t offset = 0; offset < cutSelection_.size();) {
      char32_t c = DecodeUtf8(cutSelection_, offset);
      regExpr_->Advance(c);
      ++headChars_;
    }
    head_ += cutSelection_;
  }
  cutSelection_.clear();
}

bool TcxMaskEditRegExprMode::Finish(bool result, bool beep_on_false) {
  if (!result && beep_on_false) BeepIfAllowed();
  cutSelection_.clear();
  return result;
}

bool TcxMaskEditRegExprMode::PressChar(char32_t& c) {
  if (!regExpr_->IsCompiled()) return true;
  Resynchronise();
  bool cut = edit_->SelLength() > 0;
  if (cut) CutSelection();
  char32_t typed = c;
  if (!regExpr_->Advance(typed)) {
    PutSelectionBack();
    return Finish(false);
  }
  c = typed;
  AppendUtf8(head_, typed);
  ++headChars_;
  bool result = true;
  if (!TailFits()) {
    if (cut) {
      edit_->SendKeyDown(VK_DELETE);
      edit_->SendChar(typed);
      result = false;
    }
    DropTail();
  }
  return Finish(result);
}

bool TcxMaskEditRegExprMode::DeleteBackward() {
  if (!regExpr_->IsCompiled()) return true;
  Resynchronise();
  if (edit_->SelLength() > 0) {
    CutSelection();
    if (!TailFits()) {
      edit_->SendChar(8);
      DropTail();
      return Finish(false);
    }
    return Finish(true);
  }
  if (!head_.empty()) {
    regExpr_->StepBack();
    if (!TailFits()) DropTail();
    head_.resize(head_.size() - LastCharBytes(head_));
    --headChars_;
  }
  return Finish(true);
}

bool TcxMaskEditRegExprMode::DeleteForward() {
  if (!regExpr_->IsCompiled()) return true;
  Resynchronise();
  if (edit_->SelLength() > 0) {
    CutSelection();
    if (!TailFits()) {
      edit_->SendKeyDown(VK_DELETE);
      DropTail();
      return Finish(false);
    }
    return Finish(true);
  }
  if (!tail_.empty()) {
    size_t bytes;
    FirstCharOf(tail_, bytes);
    tail_.erase(0, bytes);
    if (!TailFits()) {
      // The text ends at the caret: the Delete let through removes the one character left.
      DropTail();
      edit_->SetSelStartGuarded(edit_->SelStart() - 1);
    }
  }
  return Finish(true);
}

bool TcxMaskEditRegExprMode::MoveLeft() {
  if (!regExpr_->IsCompiled()) return true;
  Resynchronise();
  Integer start = edit_->SelStart(), length = edit_->SelLength(), caret = edit_->CaretPos();
  if (!edit_->ShiftFlag() && length > 0 && caret == start + length)
    MoveToTail(length, true);
  else if (edit_->ShiftFlag() || length == 0 || caret != start)
    MoveToTail(1, true);
  return Finish(true);
}

bool TcxMaskEditRegExprMode::MoveRight() {
  if (!regExpr_->IsCompiled()) return true;
  Resynchronise();
  Integer start = edit_->SelStart(), length = edit_->SelLength(), caret = edit_->CaretPos();
  if (!edit_->ShiftFlag() && length > 0 && caret == start)
    MoveToHead(length, true);
  else if (edit_->ShiftFlag() || length == 0 || caret != start + length)
    MoveToHead(1, true);
  return Finish(true);
}

bool TcxMaskEditRegExprMode::GoToEnd() {
  if (!regExpr_->IsCompiled()) return true;
  Resynchronise();
  MoveToHead(CharCount(tail_), true);
  return Finish(true);
}

bool TcxMaskEditRegExprMode::GoToHome() {
  if (!regExpr_->IsCompiled()) return true;
  Resynchronise();
  tail_ = edit_->Text();
  head_.clear();
  headChars_ = 0;
  regExpr_->Restart();
  return Finish(true);
}

void TcxMaskEditRegExprMode::AbsorbRest() {
  if (!regExpr_->IsCompiled()) return;
  Resynchronise();
  MoveToHead(CharCount(tail_), true);
}

void TcxMaskEditRegExprMode::SetModeText(const String& text) {
  if (!regExpr_->IsCompiled()) return;
  regExpr_->Restart();
  synced_ = true;
  head_.clear();
  headChars_ = 0;
  tail_ = text;
  if (pendingPasteLength_ != 0 && !text.empty()) {
    MoveToHead((edit_ ? edit_->SelStart() : 0) + pendingPasteLength_, true);
    pendingPasteLength_ = 0;
  }
}

void TcxMaskEditRegExprMode::RefreshDisplayValue() {
  TcxMaskEditCustomMode::RefreshDisplayValue();
  if (!EditAvailable() || !regExpr_->IsCompiled()) return;
  String text = edit_->Text();
  edit_->SetSelStartGuarded(CharCount(text));
  edit_->SetSelLengthGuarded(0);
  head_ = text;
  headChars_ = CharCount(text);
  tail_.clear();
  regExpr_->Restart();
  regExpr_->AcceptText(head_);
  synced_ = true;
}

// ---- the extended mode -----------------------------------------------------------------------

TcxMaskEditRegExprExMode::TcxMaskEditRegExprExMode(IcxMaskModeEdit* edit, IcxMaskModeProperties* properties)
    : TcxMaskEditRegExprMode(edit, properties) {
  regExpr_->OnLiteralInserted = [this](char32_t c) { AppendUtf8(inserted_, c); };
  regExpr_->OnLiteralRemoved = [this] { ++removedCount_; };
  regExpr_->SetAutoComplete(true);
}

TcxMaskEditRegExprExMode::~TcxMaskEditRegExprExMode() = default;

void TcxMaskEditRegExprExMode::SetModeMask(const String& mask) {
  inserted_.clear();
  removedCount_ = 0;
  needsEmptyValue_ = !EditAvailable();
  TcxMaskEditRegExprMode::SetModeMask(mask);
}

void TcxMaskEditRegExprExMode::ApplyEmptyEditValue() {
  if (!needsEmptyValue_ || !edit_) return;
  edit_->SetInternalEditValue(inserted_);
  needsEmptyValue_ = false;
}

void TcxMaskEditRegExprExMode::FinishPaste() {
  if (pendingCaret_ >= 0) edit_->SetSelStart(pendingCaret_);
}

void TcxMaskEditRegExprExMode::RestoreAutoComplete() {
  String saved = inserted_;
  inserted_.clear();
  regExpr_->SetAutoComplete(true);
  // Literals typed by switching on belong to the text already: undo them in the state only.
  for (Integer n = CharCount(inserted_); n > 0; --n) regExpr_->Automat()->StepBack();
  inserted_ = saved;
}

String TcxMaskEditRegExprExMode::LeadingLiterals() {
  auto expr = PrivateExpr();
  if (!expr) return String();
  String literals;
  expr->OnLiteralInserted = [&literals](char32_t c) { AppendUtf8(literals, c); };
  expr->SetAutoComplete(true);
  return literals;
}

String TcxMaskEditRegExprExMode::EmptyEditValueText() {
  privateLiterals_ = LeadingLiterals();
  return privateLiterals_;
}

String TcxMaskEditRegExprExMode::FormatText(const String& text, bool literals_included) {
  if (!regExpr_->IsCompiled()) return String();
  regExpr_->SetAutoComplete(false);
  String result = TcxMaskEditRegExprMode::FormatText(text, literals_included);
  inserted_.clear();
  regExpr_->SetAutoComplete(true);
  result += inserted_;
  inserted_.clear();
  return result;
}

bool TcxMaskEditRegExprExMode::IsTextValid(const String& text) {
  auto expr = PrivateExpr();
  if (!expr) return text.empty();
  if (text == LeadingLiterals()) return true;
  for (size_t offset = 0; offset < text.size();) {
    char32_t c = DecodeUtf8(text, offset);
    if (!expr->Advance(c)) return false;
  }
  IcxMaskModeProperties* properties = ResolveProperties();
  return (properties && properties->IgnoreMaskBlank()) || expr->IsFinal();
}

void TcxMaskEditRegExprExMode::SendText(const String& text) {
  for (size_t offset = 0; offset < text.size();) edit_->SendChar(DecodeUtf8(text, offset));
}

Integer TcxMaskEditRegExprExMode::MoveUnitRight() {
  if (tail_.empty()) return 0;
  size_t bytes;
  char32_t c = FirstCharOf(tail_, bytes);
  inserted_.clear();
  bool accepted = regExpr_->Advance(c);
  MoveToHead(1, false);
  Integer moved = 1;
  if (accepted)
    for (size_t offset = 0; offset < inserted_.size();) {
      size_t start = offset;
      DecodeUtf8(inserted_, offset);
      if (tail_.compare(0, offset - start, inserted_, start, offset - start) != 0) break;
      MoveToHead(1, false);
      ++moved;
    }
  return moved;
}

Integer TcxMaskEditRegExprExMode::MoveUnitLeft() {
  if (head_.empty()) return 0;
  removedCount_ = 0;
  bool stepped = regExpr_->StepBack();
  Integer count = std::max<Integer>(1, removedCount_ + (stepped ? 1 : 0));
  count = std::min(count, headChars_);
  MoveToTail(count, false);
  return count;
}

void TcxMaskEditRegExprExMode::ResynchroniseUnits() {
  if (!regExpr_->IsCompiled() || !edit_) return;
  String text = edit_->Text();
  if (resync_ || (head_.empty() && tail_.empty() && !text.empty())) {
    resync_ = false;
    if (text != head_ + tail_) {
      head_.clear();
      tail_ = text;
      RestartHead();
    }
  }
  Integer start = edit_->SelStart(), length = edit_->SelLength();
  while (headChars_ < start && !tail_.empty()) {
    MoveUnitRight();
    if (headChars_ > start) {
      MoveUnitLeft();
      break;
    }
  }
  while (headChars_ > start && !head_.empty()) MoveUnitLeft();
  if (headChars_ != start) {
    // The caret stood inside a unit: it goes to the unit's start, the selection keeps its end.
    Integer end = start + length;
    start = headChars_;
    length = length > 0 ? std::max(0, end - start) : 0;
    edit_->SetSelStartGuarded(start);
    if (length > 0) edit_->SetSelLengthGuarded(length);
  }
  // A selection whose caret stands at its start (a Shift selection growing to the left) keeps
  // the head at the caret; any other is widened to whole units.
  if (length > 0 && edit_->CaretPos() != start) {
    Integer end = start + length;
    while (headChars_ < end && !tail_.empty()) MoveUnitRight();
    // The head now ends where the widened selection ends; the state stands there, so the
    // selection is cut from the end of the head.
    edit_->SetSelStartGuarded(start);
    edit_->SetSelLengthGuarded(headChars_ - start);
  }
  inserted_.clear();
  removedCount_ = 0;
}

void TcxMaskEditRegExprExMode::Begin() { ResynchroniseUnits(); }

Integer TcxMaskEditRegExprExMode::RestartHead() {
  tail_ = head_ + tail_;
  head_.clear();
  headChars_ = 0;
  regExpr_->Restart();
  regExpr_->SetAutoComplete(false);
  inserted_.clear();
  regExpr_->SetAutoComplete(true);
  if (!inserted_.empty() && tail_.compare(0, inserted_.size(), inserted_) == 0) {
    MoveToHead(CharCount(inserted_), false);
  } else {
    regExpr_->Restart();
  }
  inserted_.clear();
  return headChars_;
}

Integer TcxMaskEditRegExprExMode::ReleaseLeadingLiterals(Integer length) {
  tail_ = cutSelection_ + tail_;
  cutSelection_.clear();
  Integer count = RestartHead();
  edit_->SetSelStartGuarded(count);
  edit_->SetSelLengthGuarded(std::max(0, length - count));
  return count;
}

void TcxMaskEditRegExprExMode::CutSelection() {
  regExpr_->SetAutoComplete(false);
  TcxMaskEditRegExprMode::CutSelection();
  RestoreAutoComplete();
}

void TcxMaskEditRegExprExMode::PutSelectionBack() {
  regExpr_->SetAutoComplete(false);
  TcxMaskEditRegExprMode::PutSelectionBack();
  RestoreAutoComplete();
}

void TcxMaskEditRegExprExMode::RefitTail() {
  regExpr_->SetAutoComplete(false);
  if (TailFits()) {
    Integer fed = 0;
    for (size_t offset = 0; offset < tail_.size(); ++fed) {
      char32_t c = DecodeUtf8(tail_, offset);
      regExpr_->Advance(c);
    }
    inserted_.clear();
    regExpr_->SetAutoComplete(true);
    String literals = inserted_;
    inserted_.clear();
    for (Integer n = fed + CharCount(literals); n > 0; --n) regExpr_->Automat()->StepBack();
    if (!literals.empty()) {
      Integer caret = edit_->SelStart();
      edit_->SetSelStartGuarded(CharCount(edit_->Text()));
      SendText(literals);
      edit_->SetSelStartGuarded(caret);
      tail_ += literals;
    }
  } else {
    DropTail();
    RestoreAutoComplete();
  }
}

bool TcxMaskEditRegExprExMode::PressChar(char32_t& c) {
  if (!regExpr_->IsCompiled()) return true;
  Begin();
  Integer start = edit_->SelStart(), length = edit_->SelLength();
  bool cut = length > 0;
  if (cut) {
    CutSelection();
    if (start == 0 && !LeadingLiterals().empty()) {
      Integer count = ReleaseLeadingLiterals(length);
      if (count > 0 && length > count) return PressChar(c);
      return Finish(false, false);
    }
  }
  char32_t typed = c;
  inserted_.clear();
  if (!regExpr_->Advance(typed)) {
    if (cut) PutSelectionBack();
    BeepIfAllowed();
    return Finish(false, false);
  }
  String unit = CharText(typed) + inserted_;
  head_ += unit;
  headChars_ += CharCount(unit);
  inserted_.clear();
  SendText(unit);
  RefitTail();
  return Finish(false, false);
}

bool TcxMaskEditRegExprExMode::DeleteBackward() {
  if (!regExpr_->IsCompiled()) return true;
  Begin();
  Integer start = edit_->SelStart(), length = edit_->SelLength();
  if (length > 0) {
    CutSelection();
    if (start == 0 && !LeadingLiterals().empty()) {
      if (ReleaseLeadingLiterals(length) > 0) return DeleteBackward();
      return Finish(false, false);
    }
    edit_->SendChar(8);
    RefitTail();
    return Finish(false, false);
  }
  if (head_.empty()) return Finish(false, false);
  removedCount_ = 0;
  regExpr_->StepBack();
  if (regExpr_->AtStart() && edit_->SelStart() == removedCount_) {
    // Only forced literals stand before the caret: nothing to delete.
    size_t bytes;
    char32_t first = FirstCharOf(head_, bytes);
    regExpr_->Advance(first);
    BeepIfAllowed();
    return Finish(false, false);
  }
  Integer count = std::min(headChars_, removedCount_ + 1);
  for (Integer i = 0; i < count; ++i) {
    head_.resize(head_.size() - LastCharBytes(head_));
    --headChars_;
    edit_->SendChar(8);
  }
  RefitTail();
  return Finish(false, false);
}

bool TcxMaskEditRegExprExMode::DeleteForward() {
  if (!regExpr_->IsCompiled()) return true;
  Begin();
  if (edit_->SelLength() > 0) return DeleteBackward();
  if (tail_.empty()) return Finish(false, false);
  if (edit_->SelStart() == 0 && !LeadingLiterals().empty()) {
    regExpr_->StepBack();
    BeepIfAllowed();
    return Finish(false, false);
  }
  size_t bytes;
  char32_t c = FirstCharOf(tail_, bytes);
  inserted_.clear();
  Integer depth = regExpr_->Automat()->Depth();
  regExpr_->Advance(c);
  Integer count = std::min(CharCount(tail_), CharCount(inserted_) + 1);
  for (Integer i = 0; i < count; ++i) edit_->SendKeyDown(VK_DELETE);
  tail_ = AfterChars(tail_, count);
  // Back exactly over the steps just taken (a literal typed as the character is no forced one).
  while (regExpr_->Automat()->Depth() > depth) regExpr_->Automat()->StepBack();
  inserted_.clear();
  RefitTail();
  return Finish(false, false);
}

bool TcxMaskEditRegExprExMode::MoveLeft() {
  if (!regExpr_->IsCompiled()) return true;
  Begin();
  Integer start = edit_->SelStart(), length = edit_->SelLength(), caret = edit_->CaretPos();
  if (!edit_->ShiftFlag() && length > 0 && caret == start + length) {
    regExpr_->SetAutoComplete(false);
    MoveToTail(length, true);
    RestoreAutoComplete();
  } else if (edit_->ShiftFlag() || length == 0 || caret != start) {
    Integer moved = MoveUnitLeft();
    for (Integer i = 1; i < moved; ++i) edit_->SendKeyDown(VK_LEFT);
  }
  return Finish(true);
}

bool TcxMaskEditRegExprExMode::MoveRight() {
  if (!regExpr_->IsCompiled()) return true;
  Begin();
  Integer start = edit_->SelStart(), length = edit_->SelLength(), caret = edit_->CaretPos();
  if (!edit_->ShiftFlag() && length > 0 && caret == start) {
    regExpr_->SetAutoComplete(false);
    MoveToHead(length, true);
    RestoreAutoComplete();
  } else if (edit_->ShiftFlag() || length == 0 || caret != start + length) {
    Integer moved = MoveUnitRight();
    for (Integer i = 1; i < moved; ++i) edit_->SendKeyDown(VK_RIGHT);
  }
  return Finish(true);
}

bool TcxMaskEditRegExprExMode::GoToEnd() {
  if (!regExpr_->IsCompiled()) return true;
  Begin();
  regExpr_->SetAutoComplete(false);
  MoveToHead(CharCount(tail_), true);
  RestoreAutoComplete();
  return Finish(true);
}

bool TcxMaskEditRegExprExMode::GoToHome() {
  inserted_.clear();
  return TcxMaskEditRegExprMode::GoToHome();
}

void TcxMaskEditRegExprExMode::AbsorbRest() {
  if (!regExpr_->IsCompiled()) return;
  regExpr_->SetAutoComplete(false);
  TcxMaskEditRegExprMode::AbsorbRest();
  RestoreAutoComplete();
}

void TcxMaskEditRegExprExMode::SetModeText(const String& text) {
  if (!regExpr_->IsCompiled()) return;
  regExpr_->SetAutoComplete(false);
  regExpr_->Restart();
  for (size_t offset = 0; offset < text.size();) {
    char32_t c = DecodeUtf8(text, offset);
    regExpr_->Advance(c);
  }
  inserted_.clear();
  regExpr_->SetAutoComplete(true);
  head_ = text + inserted_;
  headChars_ = CharCount(head_);
  synced_ = true;
  tail_.clear();
  inserted_.clear();
  if (edit_) {
    resync_ = true;
    ResynchroniseUnits();
  }
  pendingPasteLength_ = 0;
}
