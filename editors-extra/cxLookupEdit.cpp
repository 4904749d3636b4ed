#include "editors-extra/cxLookupEdit.h"

#include <algorithm>

#include "data/cxDataUtils.h"
#include "rtl/SysUtils.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomLookupEditProperties)
KORVAN_IMPLEMENT_CLASS(TcxCustomLookupEditLookupData)
KORVAN_IMPLEMENT_CLASS(TcxCustomLookupEdit)

namespace {
// Raises a properties' lookup lock for a scope (lowered also when an exception passes).
class TLookupLock {
 public:
  explicit TLookupLock(TcxCustomLookupEditProperties* p) : p_(p) { p_->LockLookup(); }
  ~TLookupLock() { p_->UnlockLookup(); }
  TLookupLock(const TLookupLock&) = delete;
  TLookupLock& operator=(const TLookupLock&) = delete;

 private:
  TcxCustomLookupEditProperties* p_;
};
}  // namespace

// ---- properties -----------------------------------------------------------------------------

TcxCustomLookupEditProperties::TcxCustomLookupEditProperties(TPersistent* owner)
    : TcxCustomComboBoxProperties(owner) {
  SetPopupHeight(0);
  SetPopupWidth(0);
  SetDropDownListStyle(lsEditFixedList);
  SetPopupAutoSize(false);
  SetPopupSizeable(false);
}

TcxCustomLookupEditProperties::~TcxCustomLookupEditProperties() = default;

void TcxCustomLookupEditProperties::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TcxCustomLookupEditProperties*>(source);
  if (!src) {
    TcxCustomComboBoxProperties::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    TcxCustomComboBoxProperties::Assign(source);
    if (!IsDefinedByLookup()) SetListIndex(src->GetListIndex());
    incrementalFiltering_ = src->incrementalFiltering_;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TClass TcxCustomLookupEditProperties::GetContainerClass() { return TcxCustomLookupEdit::StaticClass(); }

Word TcxCustomLookupEditProperties::GetSupportedOperations() {
  Word ops = TcxCustomComboBoxProperties::GetSupportedOperations();
  if (EditValueSource(false) == 0) ops |= 0x200;  // columns sort by display text
  return ops;
}

TClass TcxCustomLookupEditProperties::GetLookupDataClass() { return TcxCustomLookupEditLookupData::StaticClass(); }

void TcxCustomLookupEditProperties::PrepareDisplayValue(const Variant& editValue, Variant& displayValue,
                                                        bool editFocused) {
  // An array is a key of several fields even where the value would be the text (an in-place
  // editor given its key before it takes the focus): it is never formatted as text.
  if (IsTextKey() || (CheckDefinedByLookup() && !editFocused && !editValue.IsArray())) {
    TcxCustomComboBoxProperties::PrepareDisplayValue(editValue, displayValue, editFocused);
    return;
  }
  displayValue = Variant(GetDisplayTextByKey(editValue));
}

bool TcxCustomLookupEditProperties::FindLookupText(const String& text) {
  return GetListColumnCount() > 0 && FindRecordByText(GetEffectiveListIndex(), text, false) != -1;
}

bool TcxCustomLookupEditProperties::IsNavigationKey(Word key, TShiftState shift) {
  if (shift.Contains(ssAlt)) return false;
  switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN: return true;
    case VK_END:
    case VK_HOME: return shift.Contains(ssCtrl);
    default: return false;
  }
}

int TcxCustomLookupEditProperties::FindRecordByText(int itemIndex, const String& text, bool partial) {
  TcxCustomDataController* dc = GetListDataController();
  if (!dc || itemIndex < 0) return -1;
  return dc->FindRecordIndexByText(0, itemIndex, text, partial, false, true);
}

Integer TcxCustomLookupEditProperties::GetEffectiveListIndex() {
  const Integer count = GetListColumnCount();
  return GetListIndex() < count ? GetListIndex() : count - 1;
}

void TcxCustomLookupEditProperties::AttachListDataChanged() {
  if (TcxCustomDataController* dc = GetListDataController())
    dc->AddDataChangedListener(this, [this](TObject* sender) { ListDataChanged(sender); });
}

void TcxCustomLookupEditProperties::DetachListDataChanged() {
  if (TcxCustomDataController* dc = GetListDataController()) dc->RemoveDataChangedListener(this);
}

void TcxCustomLookupEditProperties::ListDataChanged(TObject*) {
  if (listChanging_ || IsLookupLocked() || IsListDataChangeLocked()) return;
  listChanging_ = true;
  try {
    NotifyPropertiesChanged();
  } catch (...) {
    listChanging_ = false;
    throw;
  }
  listChanging_ = false;
}

bool TcxCustomLookupEditProperties::IsListDataChangeLocked() {
  TcxCustomDataController* dc = GetListDataController();
  return dc && dc->IsDataChangeLocked();
}

void TcxCustomLookupEditProperties::BeginListUpdate() {
  if (TcxCustomDataController* dc = GetListDataController()) dc->LockDataChanged();
}

void TcxCustomLookupEditProperties::EndListUpdate() {
  if (TcxCustomDataController* dc = GetListDataController()) dc->UnlockDataChanged();
}

void TcxCustomLookupEditProperties::SetListIndex(Integer index) {
  const Integer count = GetListColumnCount();
  index = count == 0 ? 0 : std::clamp(index, Integer(0), count - 1);
  if (index == listIndex_) return;
  listIndex_ = index;
  NotifyPropertiesChanged();
}

void TcxCustomLookupEditProperties::ValidateListIndex() {
  if (listIndex_ >= GetListColumnCount()) SetListIndex(GetListColumnCount() - 1);
}

void TcxCustomLookupEditProperties::DetachListGrid() {
  if (TcxCustomLookupGrid* grid = GetListGrid()) grid->SetParent(nullptr);
}

// ---- lookup data ----------------------------------------------------------------------------

TcxCustomLookupEditLookupData::TcxCustomLookupEditLookupData(TPersistent* owner)
    : TcxCustomTextEditLookupData(owner) {}

TcxCustomLookupEditProperties* TcxCustomLookupEditLookupData::Properties() {
  return static_cast<TcxCustomLookupEditProperties*>(OwnerEdit()->GetEffectiveProperties());
}

bool TcxCustomLookupEditLookupData::CanResizeList(TSize& size, Integer) {
  if (Properties()->CanAlignListHeight()) size.cy = Properties()->AlignListHeight(size.cy);
  return true;
}

void TcxCustomLookupEditLookupData::InitPopup() {
  TcxCustomLookupEditProperties* p = Properties();
  TLookupLock lock(p);
  p->BeginListUpdate();
  p->ListOpeningHook();
  p->SetListHandlers([this](TObject*) { CommitListItem(); }, nullptr,
                     [this](TObject*, bool accept) { ListCloseRequestHandler(accept); });
  p->ApplyListAppearance(OwnerEdit()->LookAndFeel(), OwnerEdit()->Color(), OwnerEdit()->Font());
  p->StoreListMousePosition();
  listShown_ = true;
  SyncListWithKey();
  SyncWithText();
}

void TcxCustomLookupEditLookupData::FinalizeList() {
  TcxCustomLookupEditProperties* p = Properties();
  TLookupLock lock(p);
  if (TcxCustomDataController* dc = ListController()) dc->ResetIncrementalFilter();
  listShown_ = false;
  p->SetListHandlers(nullptr, nullptr, nullptr);
  p->ReleaseListMouseCapture();
  p->ListClosedHook();
  p->EndListUpdate();
}

void TcxCustomLookupEditLookupData::ListCloseRequestHandler(bool accept) {
  if (auto* edit = dynamic_cast<TcxCustomDropDownEdit*>(OwnerEdit())) edit->CloseUp(accept ? 4 : 3);
}

void TcxCustomLookupEditLookupData::GetListContentSize(TSize& size) {
  TcxCustomLookupEditProperties* p = Properties();
  int rows = p->DropDownRows();
  if (TcxCustomDataController* dc = ListController()) rows = std::min(rows, dc->RowCount());
  rows = std::max(rows, 1);
  size = TSize(p->GetListPreferredWidth(), p->GetListHeightForRows(rows));
}

void TcxCustomLookupEditLookupData::MoveItem(Integer kind, bool circular) {
  TcxCustomDataController* dc = ListController();
  if (!dc || dc->GetRecordCount() == 0) return;
  TcxCustomLookupEditProperties* p = Properties();
  TLookupLock lock(p);
  ResetListFilter();
  UpdateListHeight();
  p->BeginListUpdate();
  try {
    switch (kind) {
      case 0: dc->GotoFirst(); break;
      case 1: dc->GotoLast(); break;
      case 2:
        SyncListWithKey();
        if (circular && dc->IsEOF()) dc->GotoFirst();
        else dc->GotoNext();
        break;
      case 3:
        SyncListWithKey();
        if (circular && dc->IsBOF()) dc->GotoLast();
        else dc->GotoPrev();
        break;
      case 4:
        SyncListWithKey();
        if (circular && dc->IsBOF()) dc->GotoLast();
        else dc->MoveBy(-p->DropDownRows());
        break;
      case 5:
        SyncListWithKey();
        if (circular && dc->IsEOF()) dc->GotoFirst();
        else dc->MoveBy(p->DropDownRows());
        break;
      default: break;
    }
  } catch (...) {
    p->EndListUpdate();
    throw;
  }
  p->EndListUpdate();
  const int record = dc->FocusedRecordIndex();
  if (record >= 0) ItemIndexToKey(record);
  dc->ChangeFocusedRowSelected(record >= 0);
  FireSelectItem();
}

void TcxCustomLookupEditLookupData::CreateListIn(TWinControl* parent) {
  if (TcxCustomLookupGrid* grid = Properties()->GetListGrid()) grid->SetParent(parent);
}

bool TcxCustomLookupEditLookupData::HasNoItems() {
  TcxCustomDataController* dc = ListController();
  return !(Properties()->GetEffectiveListIndex() != -1 && dc && dc->GetRecordCount() != 0);
}

bool TcxCustomLookupEditLookupData::PointOverList(const TPoint& screenPoint) {
  TcxCustomLookupGrid* grid = Properties()->GetListGrid();
  return grid && Properties()->IsListRowAtPoint(grid->ScreenToClient(screenPoint));
}

void TcxCustomLookupEditLookupData::PlaceList(const TRect& r) {
  TcxCustomLookupGrid* grid = Properties()->GetListGrid();
  if (!grid) return;
  grid->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  grid->HandleNeeded();
  Properties()->MakeListFocusedRowVisible();
}

bool TcxCustomLookupEditLookupData::IsFocusedRowChosen() {
  TcxCustomDataController* dc = ListController();
  return dc && dc->CountSelectedRows() == 1 && dc->GetSelectedRowIndex(0) == dc->FocusedRowIndex();
}

void TcxCustomLookupEditLookupData::CommitListItem() {
  if (!IsFocusedRowChosen()) return;
  ItemIndexToKey(ListController()->FocusedRecordIndex());
  FireSelectItem();
}

void TcxCustomLookupEditLookupData::WriteCurrentKey(const Variant& key) {
  key_ = key;
  SyncListWithKey();
}

void TcxCustomLookupEditLookupData::SyncWithEditText() {
  TcxCustomTextEdit* edit = OwnerEdit();
  // The lookup is active while the list is shown or the editing style is a list style.
  const bool active = listShown_ || Properties()->GetEditingStyle() != tesFreeText;
  if (!edit->Focused() || !active) return;
  TLookupLock lock(Properties());
  SyncWithText();
}

void TcxCustomLookupEditLookupData::SyncFocusWithKey() {
  TcxCustomDataController* dc = ListController();
  if (!dc) return;
  int record = -1;
  if (!key_.IsNull() && !key_.IsEmpty()) {
    try {
      record = key_.AsInteger();
    } catch (...) {
      record = -1;  // a key that is no record index focuses nothing
    }
  }
  dc->ChangeFocusedRecordIndex(record);
}

void TcxCustomLookupEditLookupData::SyncListWithKey() {
  SyncFocusWithKey();
  Properties()->MakeListFocusedRowVisible();
}

void TcxCustomLookupEditLookupData::ResetListFilter() {
  if (TcxCustomDataController* dc = ListController()) dc->ResetIncrementalFilter();
}

void TcxCustomLookupEditLookupData::UpdateListHeight() {
  TcxCustomDataController* dc = ListController();
  auto* edit = dynamic_cast<TcxCustomDropDownEdit*>(OwnerEdit());
  if (!listShown_ || !dc || !edit || !edit->DroppedDown() || !IsVisiblePopup(edit->PopupWindow())) return;
  TcxCustomLookupEditProperties* p = Properties();
  const int rows = std::max(std::min(dc->RowCount(), int(p->DropDownRows())), 1);
  TcxCustomLookupGrid* grid = p->GetListGrid();
  if (grid && p->GetListHeightForRows(rows) != grid->ClientHeight()) {
    if (!edit->PopupSizeChanged()) edit->PositionPopupWindow();
  }
}

bool TcxCustomLookupEditLookupData::LocateTextExactly(const String& text) {
  TcxCustomLookupEditProperties* p = Properties();
  TcxCustomDataController* dc = ListController();
  const Integer column = p->GetEffectiveListIndex();
  if (column == -1 || !dc) return false;
  const int record = p->FindRecordByText(column, text, false);
  if (record == -1) {
    dc->ChangeFocusedRowSelected(false);
    return false;
  }
  dc->ChangeFocusedRecordIndex(record);
  ItemIndexToKey(record);
  dc->ChangeFocusedRowSelected(true);
  return true;
}

bool TcxCustomLookupEditLookupData::LocateText(String& text, String& tail) {
  TcxCustomLookupEditProperties* p = Properties();
  TLookupLock lock(p);
  TcxCustomDataController* dc = ListController();
  const Integer column = p->GetEffectiveListIndex();
  if (column == -1 || !dc) return false;
  int record;
  if (listShown_ && p->IsIncrementalFilteringActive()) {
    if (!text.empty()) {
      const String previous = dc->GetIncrementalFilterText();
      record = dc->ChangeIncrementalFilterText(column, text);
      if (record == -1 && p->DropDownListStyle() != lsEditList) {
        // The list keeps the previous filter rather than going empty.
        if (previous.empty()) dc->ResetIncrementalFilter();
        else dc->ChangeIncrementalFilterText(column, previous);
      }
    } else {
      ResetListFilter();
      record = p->FindRecordByText(column, text, true);
    }
    UpdateListHeight();
  } else {
    record = p->FindRecordByText(column, text, true);
  }
  if (record == -1) {
    dc->ChangeFocusedRowSelected(false);
    return false;
  }
  dc->ChangeFocusedRecordIndex(record);
  ItemIndexToKey(record);
  const String found = dc->GetDisplayText(record, column);
  const size_t typed = std::min(text.size(), found.size());
  text = found.substr(0, typed);
  tail = found.substr(typed);
  dc->ChangeFocusedRowSelected(true);
  return true;
}

void TcxCustomLookupEditLookupData::SyncWithText() {
  TcxCustomLookupEditProperties* p = Properties();
  TcxCustomDataController* dc = ListController();
  if (!dc) return;
  const String text = OwnerEdit()->Text();
  if (listShown_ && p->IsIncrementalFilteringActive() && dc->IsIncrementalFiltering() &&
      dc->GetIncrementalFilterText() != text) {
    dc->ChangeIncrementalFilterText(p->GetEffectiveListIndex(), text);
    UpdateListHeight();
  }
  const Integer column = p->GetEffectiveListIndex();
  if (column < 0) return;
  const int focused = dc->FocusedRecordIndex();
  bool matches = focused >= 0 && TextMatches(dc->GetDisplayText(focused, column), text, false);
  if (!matches || !listShown_) {
    const int record = p->FindRecordByText(column, text, false);
    if (record != -1) {
      dc->ChangeFocusedRecordIndex(record);
      ItemIndexToKey(record);
      matches = true;
    }
  }
  dc->ChangeFocusedRowSelected(matches);
}

// ---- edit -----------------------------------------------------------------------------------

TcxCustomLookupEdit::TcxCustomLookupEdit(TComponent* owner, bool inPlace, TClass propertiesClass)
    : TcxCustomComboBox(owner, inPlace, propertiesClass) {
  SetWidth(145);
}

void TcxCustomLookupEdit::EnterEdit() {
  TcxCustomComboBox::EnterEdit();
  if (TcxCustomLookupEditLookupData* data = LookupEditData()) data->SyncWithEditText();
}

void TcxCustomLookupEdit::DisplayToEditValue(const Variant& displayValue, Variant& editValue, bool) {
  TcxCustomLookupEditProperties* p = LookupProperties();
  if (p->IsTextKey()) {
    editValue = displayValue;
    return;
  }
  TcxCustomLookupEditLookupData* data = LookupEditData();
  const Variant key = data->ReadCurrentKey();
  const String display = displayValue.IsNull() ? String() : displayValue.AsString();
  if (!key.IsNull() && data->ItemTextForKey(key) == display) {
    editValue = key;
    return;
  }
  editValue = data->LocateTextExactly(display) ? data->ReadCurrentKey() : p->GetNullKey();
}

void InitializeCxLookupEdit() {
  InitUnit(
      "cxLookupEdit",
      [] {
        InitializeCxLookupGrid();
        InitializeCxComboBox();
      },
      [] {});
}
