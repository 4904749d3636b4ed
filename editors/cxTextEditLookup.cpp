// The text editors' incremental lookup data (completion from the lookup items, moves through
// them), the edit list box base and the text kind's unit start.
#include <algorithm>

#include "editors/cxEditPaintUtils.h"
#include "editors/cxFilterControlUtils.h"
#include "editors/cxTextEdit.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomTextEditLookupData)
KORVAN_IMPLEMENT_CLASS(TcxCustomEditListBox)

TClass TcxCustomTextEditProperties::GetLookupDataClass() {
  return TcxCustomTextEditLookupData::StaticClass();
}

namespace {
// The first characters of a text (whole UTF-8 sequences).
String FirstChars(const String& text, Integer count) {
  size_t i = 0;
  for (Integer n = 0; n < count && i < text.size(); ++n) DecodeUtf8(text, i);
  return text.substr(0, i);
}
Integer CharLength(const String& text) {
  Integer n = 0;
  for (size_t i = 0; i < text.size(); ++n) DecodeUtf8(text, i);
  return n;
}
}  // namespace

// ---- lookup data -----------------------------------------------------------------------------------

TcxCustomTextEditLookupData::TcxCustomTextEditLookupData(TPersistent* owner)
    : TcxInterfacedPersistent(owner), edit_(dynamic_cast<TcxCustomTextEdit*>(owner)) {}

TcxCustomTextEditLookupData::~TcxCustomTextEditLookupData() = default;

String TcxCustomTextEditLookupData::GetItemText(Integer index) {
  TStringList* items = edit_->EffectiveTextProperties()->LookupItems();
  return index >= 0 && index < items->Count() ? items->Strings(index) : String();
}

Integer TcxCustomTextEditLookupData::GetItemCount() {
  return edit_->EffectiveTextProperties()->LookupItems()->Count();
}

void TcxCustomTextEditLookupData::ListSelectionChanged() {
  if (list_) itemIndex_ = list_->ItemIndex();
}

void TcxCustomTextEditLookupData::ItemsChanged() {
  if (list_) list_->SetItemCount(GetItemCount());
}

TWinControl* TcxCustomTextEditLookupData::GetListControl() { return list_; }

String TcxCustomTextEditLookupData::ItemTextForKey(const Variant& key) {
  if (key.IsNull() || key.IsEmpty()) return String();
  const Integer index = Integer(key.AsInteger());
  if (index < 0 || index >= GetItemCount()) return String();
  return GetItemText(index);
}

Integer TcxCustomTextEditLookupData::FindItem(const String& text) {
  const Integer count = GetItemCount();
  for (Integer i = 0; i < count; ++i)
    if (AnsiCompareText(GetItemText(i), text) == 0) return i;
  return -1;
}

void TcxCustomTextEditLookupData::SetCurrentKeyIndex(Integer key) {
  if (key < -1 || key >= GetItemCount()) return;
  currentKey_ = key;
  SelectListItem(key);
}

void TcxCustomTextEditLookupData::SelectListItem(Integer index) {
  if (index < -1 || index >= GetItemCount() || (index == itemIndex_ && index != -1)) return;
  if (list_ && GetItemCount() > 0) {
    if (index == -1) list_->SetItemIndex(0);
    list_->SetItemIndex(index);
  }
  itemIndex_ = index;
}

void TcxCustomTextEditLookupData::NotFoundReset(const String& text, bool exact) {
  switch (edit_->EffectiveTextProperties()->GetEditingStyle()) {
    case tesListOrText:
      if (exact || (text.empty() && FindItem("") == -1)) SetCurrentKeyIndex(-1);
      break;
    case tesListOnly:
      if (exact) SetCurrentKeyIndex(-1);
      break;
    default: SetCurrentKeyIndex(-1); break;
  }
}

bool TcxCustomTextEditLookupData::SearchItems(String& text, String& tail, bool exact, bool next) {
  const Integer count = GetItemCount();
  if (count == 0) {
    NotFoundReset(text, exact);
    return false;
  }
  if (exact && edit_->EffectiveTextProperties()->IsMRUList()) {
    const Integer i = FindItem(text);
    if (i == -1) {
      SetCurrentKeyIndex(-1);
      return false;
    }
    tail.clear();
    SetCurrentKeyIndex(i);
    return true;
  }
  const Integer length = CharLength(text);
  if (length > 0) {
    const Integer start = next ? itemIndex_ : -1;
    for (Integer i = start + 1; i < count; ++i) {
      const String item = GetItemText(i);
      const String head = FirstChars(item, length);
      if (CharLength(head) == length && AnsiCompareText(head, text) == 0) {
        text = head;
        tail = item.substr(head.size());
        SetCurrentKeyIndex(i);
        return true;
      }
    }
  }
  NotFoundReset(text, exact);
  return false;
}

void TcxCustomTextEditLookupData::WriteCurrentKey(const Variant& key) {
  const Integer old = currentKey_;
  SetCurrentKeyIndex(key.IsNull() || key.IsEmpty() ? -1 : Integer(key.AsInteger()));
  // The text the event sets must not search the lookup again.
  struct TTextChange {
    TWeakRef<TcxCustomTextEdit> edit;
    ~TTextChange() {
      if (edit) edit->SetLookupTextChange(false);
    }
  } scope{TWeakRef<TcxCustomTextEdit>(edit_)};
  edit_->SetLookupTextChange(true);
  if (currentKey_ == old) {
    if (currentKey_ >= 0 && currentKey_ < GetItemCount() &&
        AnsiCompareStr(GetItemText(currentKey_), VarToStr(edit_->CurrentDisplayText())) != 0)
      FireSelectItem();
  } else {
    FireSelectItem();
  }
}

void TcxCustomTextEditLookupData::CommitListItem() {
  if (itemIndex_ == -1) return;
  if (currentKey_ != itemIndex_ && !edit_->CanModify()) return;
  const Integer before = currentKey_;
  WriteCurrentKey(Variant(itemIndex_));
  if (currentKey_ == before) FireSelectItem();
}

void TcxCustomTextEditLookupData::MoveItem(Integer direction, bool cycle) {
  const Integer n = GetItemCount();
  if (n == 0) return;
  const Integer c = itemIndex_ != -1 ? itemIndex_ : currentKey_;
  const Integer page = edit_->EffectiveTextProperties()->GetLookupPageSize();
  Integer index = c;
  switch (direction) {
    case lmFirst: index = 0; break;
    case lmLast: index = n - 1; break;
    case lmNext: index = c + 1 >= n ? (cycle ? 0 : c) : c + 1; break;
    case lmPrevious: index = c - 1 < 0 ? (cycle ? n - 1 : c) : c - 1; break;
    case lmPageUp:
      if (c != -1)
        index = cycle && c == 0 ? n - 1 : std::max(0, c - page + 1);
      else
        index = cycle ? n - 1 : -1;
      break;
    case lmPageDown:
      index = c == -1 ? page - 1 : c + page - 1;
      if (index >= n) index = cycle && c == n - 1 ? 0 : n - 1;
      break;
    default: return;
  }
  TcxCustomTextEditProperties* properties = edit_->EffectiveTextProperties();
  if (!list_ || !list_->IsListVisible() || (properties->ImmediateUpdateText() && edit_->CanModify()))
    WriteCurrentKey(Variant(index));
  else
    SelectListItem(index);
}

bool TcxCustomTextEditLookupData::PointOverList(const TPoint& screen_point) {
  // The list's own client rectangle: the point is converted to the list's client coordinates.
  if (!list_ || !list_->HandleAllocated()) return false;
  return list_->ClientRect().Contains(list_->ScreenToClient(screen_point));
}

void TcxCustomTextEditLookupData::DoCreateListIn(TWinControl* parent) {
  if (!list_ && GetListBoxClass())
    list_ = static_cast<TcxCustomEditListBox*>(GetListBoxClass()->Create(parent));
  if (!list_) return;
  list_->SetParent(parent);
  list_->OnSelectionChanged = [this](TObject*) { ListSelectionChanged(); };
  list_->SetItemCount(GetItemCount());
  list_->SetItemIndex(itemIndex_);
  DoSyncWithEditText();
}

void TcxCustomTextEditLookupData::DoPlaceList(const TRect& r) {
  if (list_) list_->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TcxCustomTextEditLookupData::DoSyncWithEditText() {
  const String text = VarToStr(edit_->CurrentDisplayText());
  if (itemIndex_ < GetItemCount() && AnsiCompareText(ItemTextForKey(Variant(itemIndex_)), text) == 0) return;
  String search = text, tail;
  SearchItems(search, tail, true, false);
}

// ---- edit list box ----------------------------------------------------------------------------------

TcxCustomEditListBox::TcxCustomEditListBox(TComponent* owner) : TcxCustomInnerListBox(owner) {}

void TcxCustomEditListBox::SetItemCount(Integer count) {
  TStrings* items = Items();
  items->BeginUpdate();
  while (items->Count() < count) items->Add("");
  while (items->Count() > count) items->Delete(items->Count() - 1);
  items->EndUpdate();
}

void TcxCustomEditListBox::NotifySelectionChanged() {
  if (OnSelectionChanged) OnSelectionChanged(this);
}

// ---- unit start --------------------------------------------------------------------------------------

void InitializeCxTextEdit() {
  InitUnit(
      "cxTextEdit",
      [] {
        InitializeCxEdit();
        RegisterClass(TcxTextEdit::StaticClass());
        InitializeCxFilterControlUtils();
      },
      [] {});
}
