#include "editors-extra/cxMemo.h"

#include "editors/cxEditPaintUtils.h"
#include "editors/cxFilterControlUtils.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "user/WinUser.h"
#include "vcl/Clipbrd.h"
#include "vcl/ControlMessages.h"
#include "vcl/Forms.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomMemoProperties)
KORVAN_IMPLEMENT_CLASS(TcxCustomMemoViewData)
KORVAN_IMPLEMENT_CLASS(TcxCustomMemoViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomInnerMemoHelper)
KORVAN_IMPLEMENT_CLASS(TcxCustomInnerMemo)
KORVAN_IMPLEMENT_CLASS(TcxCustomMemo)
KORVAN_IMPLEMENT_CLASS(TcxFilterMemoHelper)
KORVAN_IMPLEMENT_CLASS(TcxEditRepositoryMemoItem)

namespace {
using TMemoProps = TcxCustomMemoProperties;
TMemoProps* Mutable(const TMemoProps* p) { return const_cast<TMemoProps*>(p); }
}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxMemoProperties) {
  p.Object("Alignment", [](const TMemoProps* o) { return Mutable(o)->Alignment(); }, &TMemoProps::SetAlignment,
           TcxEditAlignment::StaticClass())
      .Stored(&TMemoProps::IsAlignmentStored);
  p.Object("AssignedValues", &TMemoProps::AssignedValues, &TcxMemoProperties::SetTextAssignedValues,
           TcxTextEditPropertiesValues::StaticClass());
  p.Bool("AutoSelect", &TMemoProps::AutoSelect, &TMemoProps::SetAutoSelect).Default(false);
  p.Enum("CharCase", &TMemoProps::CharCase, &TMemoProps::SetCharCase, EditCharCaseTypeInfo()).Default(ecNormal);
  p.Int("ClearKey", &TMemoProps::ClearKey, &TMemoProps::SetClearKey).Default(0);
  p.Bool("HideSelection", &TMemoProps::HideSelection, &TMemoProps::SetHideSelection).Default(true);
  p.Int("MaxLength", [](const TMemoProps* o) { return Mutable(o)->MaxLength(); }, &TMemoProps::SetMaxLength)
      .NoDefault()
      .Stored(&TMemoProps::IsMaxLengthStored);
  p.Bool("OEMConvert", &TMemoProps::OEMConvert, &TMemoProps::SetOEMConvert).Default(false);
  p.Bool("ReadOnly", [](const TMemoProps* o) { return Mutable(o)->ReadOnly(); }, &TMemoProps::SetReadOnly)
      .NoDefault()
      .Stored(&TMemoProps::IsReadOnlyStored);
  p.Enum("ScrollBars", &TMemoProps::ScrollBars, &TMemoProps::SetScrollBars, ScrollStyleTypeInfo()).Default(ssNone);
  p.Int("VisibleLineCount", &TMemoProps::VisibleLineCount, &TMemoProps::SetVisibleLineCount).Default(0);
  p.Bool("WantReturns", &TMemoProps::WantReturns, &TMemoProps::SetWantReturns).Default(true);
  p.Bool("WantTabs", &TMemoProps::WantTabs, &TMemoProps::SetWantTabs).Default(false);
  p.Bool("WordWrap", &TMemoProps::WordWrap, &TMemoProps::SetWordWrap).Default(true);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxMemo) {
  p.Object("Lines", &TcxCustomMemo::Lines, &TcxCustomMemo::SetLines, TStrings::StaticClass());
  p.Object("Properties", &TcxMemo::Properties, &TcxMemo::SetProperties, TcxMemoProperties::StaticClass());
}

// ---- properties -----------------------------------------------------------------------------------

TcxCustomMemoProperties::TcxCustomMemoProperties(TPersistent* owner) : TcxCustomTextEditProperties(owner) {
  InitializeCxMemo();
  Alignment()->SetVert(taTopJustify);
  SetAutoSelect(false);
}

void TcxCustomMemoProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomMemoProperties*>(source);
  if (!s) {
    TcxCustomTextEditProperties::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    TcxCustomTextEditProperties::Assign(source);
    SetScrollBars(s->scrollBars_);
    SetVisibleLineCount(s->visibleLineCount_);
    SetWantReturns(s->wantReturns_);
    SetWantTabs(s->wantTabs_);
    SetWordWrap(s->wordWrap_);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TClass TcxCustomMemoProperties::GetContainerClass() { return TcxMemo::StaticClass(); }

TcxCustomEditViewData* TcxCustomMemoProperties::CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                                               bool hide_display_text) {
  auto* data = new TcxCustomMemoViewData(this, style, is_inplace);
  data->InitFromProperties();
  data->HideDisplayText = hide_display_text;
  return data;
}

TcxCustomEditViewInfo* TcxCustomMemoProperties::CreateViewInfo() { return new TcxCustomMemoViewInfo(); }

void CutMemoDisplayText(String& text) {
  // Within the first 250 characters: up to the first line break; never a split character.
  size_t off = 0;
  for (Integer n = 0; off < text.size() && n < cxMemoMaxDisplayTextLength; ++n) {
    if (text[off] == '\r' || text[off] == '\n') break;
    off += std::max<size_t>(1, Utf8SequenceLength(text, off));
  }
  text.resize(std::min(off, text.size()));
}

String TcxCustomMemoProperties::ValueToDisplayText(const Variant& edit_value, bool whole_text, bool) {
  String text = TcxCustomTextEditProperties::ValueToDisplayText(edit_value, whole_text, false);
  if (!whole_text) CutMemoDisplayText(text);
  return text;
}

Integer TcxCustomMemoProperties::TextFlags() {
  static const Integer kHorz[] = {tofLeft, tofRight, tofCenterHorz};
  Integer flags = kHorz[Alignment()->Horz()] | tofKeepLeftInside | tofExpandTabs | tofCompleteRowsOnly;
  if (wordWrap_ && (scrollBars_ == ssNone || scrollBars_ == ssVertical)) flags |= tofWordBreak | tofCharBreak;
  return flags;
}

// ---- view data and view info ---------------------------------------------------------------------

void TcxCustomMemoViewData::FillDisplayText(TcxCanvas* canvas, const Variant& edit_value,
                                            TcxCustomEditViewInfo* view_info) {
  TcxCustomTextEditViewData::FillDisplayText(canvas, edit_value, view_info);
  // A cell shows the display text; an editor control shows its whole text in the inner memo.
  if (!Edit) CutMemoDisplayText(static_cast<TcxCustomTextEditViewInfo*>(view_info)->Text);
}

void TcxCustomMemoViewData::GetTextInsets(TRect& insets) {
  insets = IsInplace ? TRect(1, 1, 1, 1) : TRect(1, 1, 1, 3);
}

Integer TcxCustomMemoViewData::GetMaxLineCount() {
  const Integer n = MemoProperties()->VisibleLineCount();
  return n > 0 ? n : TcxCustomTextEditViewData::GetMaxLineCount();
}

void TcxCustomMemoViewData::GetBorderSizes(TSize& size) {
  TRect insets;
  GetTextInsets(insets);
  size = TSize(insets.Left + insets.Right, insets.Top + insets.Bottom);
}

void TcxCustomMemoViewData::GetEditSize(TcxCanvas* canvas, bool is_inplace, const TcxEditSizeProperties& request,
                                        TSize& min_content_size, TcxCustomEditViewInfo* view_info, TSize& size) {
  TcxCustomTextEditViewData::GetEditSize(canvas, is_inplace, request, min_content_size, view_info, size);
  const TScrollStyle bars = MemoProperties()->ScrollBars();
  if (Edit && (bars == ssHorizontal || bars == ssBoth)) size.cy += GetSystemMetrics(SM_CYHSCROLL);
  const Integer lines = MemoProperties()->VisibleLineCount();
  if (lines > 0 && canvas) {
    if (TFont* font = StyleFont()) canvas->ApplyFont(font);
    TSize borders;
    GetBorderSizes(borders);
    min_content_size.cy = std::max(min_content_size.cy, borders.cy + lines * canvas->MeasureTextHeight("Zg"));
  }
}

void TcxCustomMemoViewData::GetEditContentSize(TcxCanvas* canvas, const Variant& edit_value,
                                               const TcxEditSizeProperties& request, TSize& size) {
  TcxCustomEditViewData::GetEditContentSize(canvas, edit_value, request, size);
  String text;
  EditValueToDisplayText(edit_value, text);
  TSize measured;
  MeasureTextContent(canvas, this, text, measured, true, MemoProperties()->VisibleLineCount(), request,
                     GetDrawTextFlags());
  EnlargeSize(size, measured);
}

void TcxCustomMemoViewInfo::DrawText(TcxCanvas* canvas) {
  if (Text.empty()) return;
  // The rows laid out by the text view info, in the memo's flags; no selection bar.
  TcxCustomTextEditViewInfo::DrawText(canvas);
}

// ---- inner memo -----------------------------------------------------------------------------------

TcxCustomInnerMemoHelper::TcxCustomInnerMemoHelper(TcxCustomInnerMemo* memo)
    : TcxInterfacedPersistent(nullptr), memo_(memo) {}

TPoint TcxCustomInnerMemoHelper::GetCaretPos() { return memo_->MultiLine()->CaretPos(); }
TStrings* TcxCustomInnerMemoHelper::GetLines() { return memo_->MultiLine()->Lines(); }
TScrollStyle TcxCustomInnerMemoHelper::GetScrollBars() { return memo_->MultiLine()->ScrollBars(); }
bool TcxCustomInnerMemoHelper::GetWantReturns() { return memo_->MultiLine()->WantReturns(); }
bool TcxCustomInnerMemoHelper::GetWantTabs() { return memo_->MultiLine()->WantTabs(); }
bool TcxCustomInnerMemoHelper::GetWordWrap() { return memo_->MultiLine()->WordWrap(); }
void TcxCustomInnerMemoHelper::SetCaretPos(const TPoint& value) {
  // The start of row Y, then X characters on.
  const Integer start = Integer(memo_->Perform(EM_LINEINDEX, WPARAM(value.Y)));
  memo_->Perform(EM_SETSEL, WPARAM(start + value.X), start + value.X);
}
void TcxCustomInnerMemoHelper::SetScrollBars(TScrollStyle value) { memo_->MultiLine()->SetScrollBars(value); }
void TcxCustomInnerMemoHelper::SetWantReturns(bool value) { memo_->MultiLine()->SetWantReturns(value); }
void TcxCustomInnerMemoHelper::SetWantTabs(bool value) { memo_->MultiLine()->SetWantTabs(value); }
void TcxCustomInnerMemoHelper::SetWordWrap(bool value) { memo_->MultiLine()->SetWordWrap(value); }

TcxCustomInnerMemo::TcxCustomInnerMemo(TComponent* owner) : TcxCustomInnerTextEdit(owner) {
  MakeMultiLine();
  memoHelper_ = std::make_unique<TcxCustomInnerMemoHelper>(this);
  SetParentColor(true);
}

TcxCustomInnerMemo::~TcxCustomInnerMemo() = default;

TcxCustomMemo* TcxCustomInnerMemo::OwnerMemo() const { return dynamic_cast<TcxCustomMemo*>(Owner()); }

void TcxCustomInnerMemo::CreateWnd() {
  TcxCustomInnerTextEdit::CreateWnd();
  if (TcxCustomMemo* memo = OwnerMemo()) memo->RefreshScrollBars();
}

// Rows start at the inner memo's left edge: the memo places it at its text rectangle.
void TcxCustomInnerMemo::AdjustMargins() { SendMessage(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0); }

void TcxCustomInnerMemo::KeyPress(char32_t& key) {
  SetKeyConsumed(false);
  TcxCustomMemo* memo = OwnerMemo();
  if (key == U'\t' && !MultiLine()->WantTabs()) key = 0;
  TWeakRef<TcxCustomInnerMemo> self(this);
  if (key != 0 && memo) {
    memo->InnerKeyPress(key);
    if (!self) return;
  }
  // In place, Esc belongs to the host.
  if (key == 27 && memo && memo->InPlace()) key = 0;
  if (key == 0) {
    SetKeyConsumed(true);
    return;
  }
  TCustomEdit::KeyPress(key);
}

void TcxCustomInnerMemo::KeyUp(Word& key, TShiftState shift) {
  if (key == VK_TAB && !MultiLine()->WantTabs()) key = 0;
  if (key == 0) {
    SetKeyConsumed(true);
    return;
  }
  SetKeyConsumed(false);
  if (TcxCustomMemo* memo = OwnerMemo()) {
    TWeakRef<TcxCustomInnerMemo> self(this);
    memo->InnerKeyUp(key, shift);
    if (!self) return;
  }
  if (key == 0) {
    SetKeyConsumed(true);
    return;
  }
  TCustomEdit::KeyUp(key, shift);
}

void TcxCustomInnerMemo::WMGetDlgCode(TMessage& m) {
  TcxCustomInnerTextEdit::WMGetDlgCode(m);
  TcxCustomMemo* memo = OwnerMemo();
  if (!memo) return;
  if (memo->IsInplaceForPaint() && GetKeyState(VK_CONTROL) >= 0) m.Result |= DLGC_WANTTAB;
  else if (!MultiLine()->WantTabs() && !memo->InPlace()) m.Result &= ~DLGC_WANTTAB;
  // Esc goes on to the form or the host.
  if (escDown_) m.Result &= ~DLGC_WANTALLKEYS;
}

void TcxCustomInnerMemo::Dispatch(TMessage& m) {
  TcxCustomMemo* memo = OwnerMemo();
  switch (m.Msg) {
    case WM_KEYDOWN: {
      if (!memo) break;
      // The change count and the selection tell whether the key did anything (the text itself
      // is not copied: a key must not cost the whole text).
      const Integer changes = MultiLine()->ChangeCount();
      const Integer start = TCustomEdit::SelStart(), length = TCustomEdit::SelLength();
      SetKeyConsumed(false);
      TWeakRef<TcxCustomInnerMemo> self(this);
      TWeakRef<TcxCustomMemo> memo_ref(memo);
      escDown_ = m.WParam == VK_ESCAPE;
      TCustomEdit::Dispatch(m);
      if (!self || !memo_ref) return;
      escDown_ = false;
      memo->PostScrollBarsUpdateOnce();
      const Word key = Word(m.WParam);
      if (!KeyConsumed() && key != 0 && key != VK_UP && key != VK_DOWN && changes == MultiLine()->ChangeCount() &&
          start == TCustomEdit::SelStart() && length == TCustomEdit::SelLength()) {
        Word k = key;
        memo->FireTrailingKeyEvent(k, KeyDataToShiftState(m.LParam));
        m.WParam = k;
      }
      return;
    }
    case WM_CHAR: {
      if (!memo) break;
      SetKeyConsumed(false);
      TWeakRef<TcxCustomMemo> memo_ref(memo);
      TCustomEdit::Dispatch(m);
      if (memo_ref) memo->SetLookupTextChange(false);
      return;
    }
    case EM_REPLACESEL: {
      // An LF CR pair becomes two line breaks; CR LF and single breaks stay.
      String text = m.LParam ? String(reinterpret_cast<const char*>(m.LParam)) : String();
      String fixed;
      for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && i + 1 < text.size() && text[i + 1] == '\r') {
          fixed += "\r\n\r\n";
          ++i;
        } else {
          fixed += text[i];
        }
      }
      TWeakRef<TcxCustomMemo> memo_ref(memo);
      TCustomEdit::Dispatch(m = TMessage{m.Msg, m.WParam, reinterpret_cast<LPARAM>(fixed.c_str()), 0});
      if (memo && memo_ref) memo->UpdateEditValueFromDisplay();
      return;
    }
    case WM_SETFONT:
      TcxCustomInnerTextEdit::Dispatch(m);
      if (HandleAllocated()) AdjustMargins();
      return;
    default: break;
  }
  TcxCustomInnerTextEdit::Dispatch(m);
}

// ---- memo control ---------------------------------------------------------------------------------

TcxCustomMemo::TcxCustomMemo(TComponent* owner, TClass properties_class)
    : TcxCustomTextEdit(owner, false, properties_class, TcxCustomInnerMemo::StaticClass()) {
  InitializeCxMemo();
  SetBounds(Left(), Top(), 185, 89);
  PropertiesChanged(GetEffectiveProperties());
}

void TcxCustomMemo::PropertiesChanged(TcxCustomEditProperties* properties) {
  TcxCustomInnerMemo* inner = InnerMemo();
  auto* memo_properties = dynamic_cast<TcxCustomMemoProperties*>(properties);
  if (!inner || !memo_properties || IsInnerEditUnavailable()) {
    TcxCustomTextEdit::PropertiesChanged(properties);
    return;
  }
  IcxInnerMemo* m = inner->GetInnerMemo();
  if (m->GetScrollBars() != memo_properties->ScrollBars()) {
    // Both windows are made anew with the bars; the painted bars follow the inner memo's.
    scrollBarsApplied_ = true;
    SyncScrollPartsExistence();
    // The painted bars take the look and feel of the memo's style.
    for (TcxControlScrollBar* bar : {HorizontalBar(), VerticalBar()})
      if (bar) bar->LookAndFeel()->AttachToMaster(LookAndFeelObject());
    m->SetScrollBars(memo_properties->ScrollBars());
    if (HandleAllocated()) RecreateWnd();
  }
  m->SetWantReturns(memo_properties->WantReturns());
  m->SetWantTabs(memo_properties->WantTabs());
  m->SetWordWrap(memo_properties->WordWrap());
  TcxCustomTextEdit::PropertiesChanged(properties);
  PostScrollBarsUpdate();
}

bool TcxCustomMemo::WantsScrollBars() {
  return scrollBarsApplied_ && EffectiveMemoProperties()->ScrollBars() != ssNone;
}

bool TcxCustomMemo::CanAutoHeight() { return !InPlace() && EffectiveMemoProperties()->VisibleLineCount() >= 1; }

bool TcxCustomMemo::ConsumesKey(Word key, TShiftState shift) {
  TcxCustomMemoProperties* p = EffectiveMemoProperties();
  if (key == VK_RETURN) return p->WantReturns() || shift.Contains(ssCtrl);
  return key == VK_TAB && p->WantTabs();
}

bool TcxCustomMemo::IsEditingKey(Word key, TShiftState shift) {
  return TcxCustomTextEdit::IsEditingKey(key, shift) || ConsumesKey(key, shift);
}

bool TcxCustomMemo::IsEditingChar(char32_t c) {
  if (TcxCustomTextEdit::IsEditingChar(c)) return true;
  TShiftState shift;
  if (GetKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
  return (c == 13 || c == 10) ? ConsumesKey(VK_RETURN, shift) : c == 9 && ConsumesKey(VK_TAB, shift);
}

void TcxCustomMemo::KeyDown(Word& key, TShiftState shift) {
  // In place, a line-breaking Enter bypasses the key events (the host never sees it).
  if (InPlace() && key == VK_RETURN && shift.Contains(ssCtrl) != EffectiveMemoProperties()->WantReturns()) {
    DoEditKeyDown(key, shift);
    return;
  }
  TcxCustomTextEdit::KeyDown(key, shift);
}

void TcxCustomMemo::DoEditKeyDown(Word& key, TShiftState shift) {
  TWeakRef<TcxCustomMemo> self(this);
  TcxCustomTextEdit::DoEditKeyDown(key, shift);
  if (!self) return;
  if ((key & 0xFF) == 'A' && shift.Contains(ssCtrl) && !shift.Contains(ssShift) && !shift.Contains(ssAlt) &&
      Lines()->Count() > 0) {
    InnerMemo()->SelectAll();
    FireTrailingKeyEvent(key, shift);
    key = 0;
  }
}

bool TcxCustomMemo::SendActivationKey(char32_t key) {
  // Enter activates without typing a line break; any other key types itself.
  if (key == 13) return false;
  return TcxCustomTextEdit::SendActivationKey(key);
}

void TcxCustomMemo::SyncAfterInnerChange() {
  if (Focused() && UserChange()) return;
  UpdateEditValueFromDisplay();
  SetModifiedFlag(false);
}

void TcxCustomMemo::InsertText(const String& input) {
  TcxCustomInnerMemo* inner = InnerMemo();
  if (!inner) return;
  String text = input;
  const Integer max_length = EffectiveMemoProperties()->MaxLength();
  if (Focused() && max_length > 0) {
    // Characters before the selection plus the inserted ones, never bytes.
    const Integer before = inner->TCustomEdit::SelStart();
    const Integer room = max_length - before;
    if (room <= 0) return;
    if (CharCount(text) > room) {
      size_t off = 0;
      for (Integer n = 0; n < room && off < text.size(); ++n) off += std::max<size_t>(1, Utf8SequenceLength(text, off));
      text.resize(off);
    }
  }
  if (Focused() && !CanModify()) return;
  inner->SetSelText(text);
  SyncAfterInnerChange();
}

void TcxCustomMemo::ReplaceSelection(const String& text) { InsertText(text); }

void TcxCustomMemo::PasteFromClipboard() {
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  InsertText(Clipboard()->AsText());
}

void TcxCustomMemo::ClearSelectionText() {
  TcxCustomInnerMemo* inner = InnerMemo();
  if (!inner || inner->TCustomEdit::SelLength() == 0) return;
  if (Focused() && !CanModify()) return;
  inner->ClearSelection();
  SyncAfterInnerChange();
}

void TcxCustomMemo::CutToClipboard() {
  TcxCustomInnerMemo* inner = InnerMemo();
  if (!inner || inner->TCustomEdit::SelLength() == 0) return;
  inner->CopyToClipboard();
  ClearSelectionText();
}

void TcxCustomMemo::AdjustInnerEditPosition() {
  TcxCustomInnerMemo* inner = InnerMemo();
  if (!inner || inAdjust_) return;
  inAdjust_ = true;
  TRect r = GetEditViewInfo() ? GetEditViewInfo()->ClientArea : ClientRect();
  // The inner memo's rows start where a cell's rows are drawn.
  r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  if (inner->BoundsRect() != r) inner->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  inAdjust_ = false;
}

void TcxCustomMemo::PostScrollBarsUpdateOnce() {
  if (scrollUpdatePosted_ || !HandleAllocated()) return;
  scrollUpdatePosted_ = true;
  PostScrollBarsUpdate();
}

void TcxCustomMemo::DataChanged() {
  TcxCustomTextEdit::DataChanged();
  PostScrollBarsUpdateOnce();
}

void TcxCustomMemo::WndProc(TMessage& m) {
  // A posted update is lost with a window made anew.
  if (m.Msg == DXM_UPDATESCROLLBARS || m.Msg == WM_CREATE) scrollUpdatePosted_ = false;
  TcxCustomTextEdit::WndProc(m);
  switch (m.Msg) {
    case WM_WINDOWPOSCHANGED:
    case WM_NCCALCSIZE:
    case CM_WININICHANGE:  // the settings-change notification (the platform's WM_SETTINGCHANGE)
      PostScrollBarsUpdateOnce();
      break;
    case WM_COMMAND:
      if (HIWORD(m.WParam) == EN_HSCROLL || HIWORD(m.WParam) == EN_VSCROLL) RefreshScrollBars();
      break;
    case DXM_UPDATESCROLLBARS:
      // The painted bars lie over the inner memo's own.
      if (WantsScrollBars()) RaiseScrollParts();
      break;
    default: break;
  }
}

// ---- filter helper ----------------------------------------------------------------------------------

void TcxFilterMemoHelper::SupportedOperators(TcxCustomEditProperties*, TcxValueTypeClass,
                                             TcxFilterControlOperators& operators, bool) const {
  operators = {fcoLike, fcoNotLike, 9, 10};  // like, not like, is blank, is not blank
}

// ---- unit start -------------------------------------------------------------------------------------

void InitializeCxMemo() {
  InitUnit(
      "cxMemo",
      [] {
        InitializeCxTextEdit();
        RegisterClass(TcxMemo::StaticClass());
        RegisterClass(TcxMemoProperties::StaticClass());
        RegisterClass(TcxEditRepositoryMemoItem::StaticClass());
        EditPropertiesRegistry()->AddDescribedClass(TcxMemoProperties::StaticClass(),
                                                    "Memo|Represents an edit control that allows editing memo data");
        FilterEditsController()->RegisterHelper(TcxMemoProperties::StaticClass(), TcxFilterMemoHelper::StaticClass());
      },
      [] {
        EditPropertiesRegistry()->RemoveClass(TcxMemoProperties::StaticClass());
        FilterEditsController()->UnregisterHelper(TcxMemoProperties::StaticClass(),
                                                  TcxFilterMemoHelper::StaticClass());
      });
}
