// The controller's sorting and grouping interface, record comparison, selection, bookmarks,
// saved selection keys and its filter criteria.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <typeinfo>

#include "data/cxCustomData.h"
#include "data/cxCustomDataInternal.h"
#include "data/cxDataConsts.h"
#include "data/cxDataUtils.h"
#include "data/cxFilterConsts.h"
#include "rtl/SysUtils.h"

using cxdata_internal::Finally;

// =============================================================================================
// Sorting

TcxDataSortOrder TcxCustomDataController::ItemSortOrder(int itemIndex) {
  TcxCustomDataField* f = FieldOfItem(itemIndex);
  int i = info_->SortingFields().Find(f);
  if (i != -1) return info_->SortingFields().Items(i).SortOrder;
  i = info_->GroupingFields().Find(f);
  if (i != -1) return info_->GroupingFields().Items(i).SortOrder;
  return soNone;
}

int TcxCustomDataController::ItemSortIndex(int itemIndex) {
  return info_->SortingFields().Find(FieldOfItem(itemIndex));
}

void TcxCustomDataController::ChangeItemSortOrder(int itemIndex, TcxDataSortOrder order) {
  TcxCustomDataField* f = FieldOfItem(itemIndex);
  int i = info_->SortingFields().Find(f);
  TcxDataSortOrder cur = i == -1 ? soNone : info_->SortingFields().Items(i).SortOrder;
  if (cur == order) return;
  PostIfEditing();
  sortingChanged_ = true;
  info_->SetSortOrder(f, order);
}

void TcxCustomDataController::ChangeItemSortIndex(int itemIndex, int position) {
  TcxCustomDataField* f = FieldOfItem(itemIndex);
  if (ItemSortIndex(itemIndex) == position) return;
  BeginInfoUpdate();
  Finally end{[this] { EndInfoUpdate(); }};
  if (groups_->LevelOfItem(itemIndex) != -1 && ItemSortOrder(itemIndex) == soAscending && position == -1) {
    ChangeItemSortOrder(itemIndex, soNone);
    return;
  }
  if (ItemSortIndex(itemIndex) == -1) ChangeItemSortOrder(itemIndex, ItemSortOrder(itemIndex));
  if (ItemSortOrder(itemIndex) != soNone) info_->ChangeSortIndex(f, position);
}

void TcxCustomDataController::ClearSorting(bool keepGrouping) { info_->ClearSorting(keepGrouping); }

// =============================================================================================
// Comparison

int TcxCustomDataController::CompareByField(int record1, int record2, TcxCustomDataField* field) {
  if (!UseControllerCompare(field) && (!OnCompare || field->IsInternal()))
    return CompareRecordValues(record1, record2, field);
  if (!OnCompare && IsProviderMode() && provider_->CustomDataSource()->IsNativeCompareFunc() && record1 >= 0 &&
      record2 >= 0)
    return provider_->NativeCompare(record1, record2, field);
  Variant v1 = GetComparedValue(record1, field);
  Variant v2 = GetComparedValue(record2, field);
  if (OnCompare) {
    int compare = 0;
    OnCompare(this, record1, record2, field->Index(), v1, v2, compare);
    return compare;
  }
  if (v1.IsString() && v2.IsString()) {
    bool ansi = options_.Contains(dcoAnsiSort);
    bool ci = options_.Contains(dcoCaseInsensitive);
    if (ansi && ci) return AnsiCompareText(v1.StrRef(), v2.StrRef());
    if (ansi) return AnsiCompareStr(v1.StrRef(), v2.StrRef());
    if (ci) return CompareStr(AnsiUpperCase(v1.StrRef()), AnsiUpperCase(v2.StrRef()));
  }
  return CompareVariantValues(v1, v2);
}

int TcxCustomDataController::CompareWithSortOrder(int record1, int record2, bool, const TcxSortingFieldEntry& entry) {
  int r = CompareByField(record1, record2, entry.Field);
  return entry.SortOrder == soDescending ? -r : r;
}

Variant TcxCustomDataController::GetComparedValue(int recordIndex, TcxCustomDataField* field) {
  if (field->CompareMark() == 2) {
    int item = field->Index();
    return Variant(item >= 0 && item < GetItemCount() ? GetDisplayTextByField(recordIndex, field) : String());
  }
  return GetValueByField(recordIndex, field);
}

bool TcxCustomDataController::UseControllerCompare(TcxCustomDataField* field) {
  if (field->CompareMark() != 0) return field->CompareMark() > 0;
  if (field->ValueCompare() || NeedConversion(field) || IsSortByDisplayText(field)) return true;
  if (IsProviderMode()) return !provider_->CustomDataSource()->IsNativeCompare();
  return false;
}

bool TcxCustomDataController::NeedConversion(TcxCustomDataField* field) {
  if (!options_.Contains(dcoAnsiSort) && !options_.Contains(dcoCaseInsensitive)) return false;
  TcxValueDef* def = field->ValueDef();
  if (def != nullptr) return def->TypeIsString();
  TcxValueTypeClass t = field->ValueTypeClass();
  return t != nullptr && (t->IsString() || t == TcxVariantValueType::Class());
}

bool TcxCustomDataController::IsSortByDisplayText(TcxCustomDataField* field) {
  if (internalFind_ || field->IsInternal()) return false;
  return GetItemSortByDisplayText(field->Index(), options_.Contains(dcoSortByDisplayText));
}

bool TcxCustomDataController::IsFilterItemSortByDisplayText(int itemIndex) {
  TcxCustomDataField* f = FieldOfItem(itemIndex);
  return GetItemSortByDisplayText(itemIndex, true) || (options_.Contains(dcoAnsiSort) && NeedConversion(f));
}

int TcxCustomDataController::FindKeyRecord(int keyRecord, const std::vector<TcxCustomDataField*>& fields) {
  if (fields.empty()) return -1;
  for (auto* f : fields) f->SetCompareMark(UseControllerCompare(f) ? 1 : -1);
  Finally unmark{[&fields] {
    for (auto* f : fields) f->SetCompareMark(0);
  }};
  for (int r = 0; r < GetRecordCount(); ++r) {
    bool match = true;
    for (auto* f : fields)
      if (CompareByField(r, keyRecord, f) != 0) {
        match = false;
        break;
      }
    if (match) return r;
  }
  return -1;
}

// =============================================================================================
// Selection

int TcxCustomDataController::CountSelectedRows() {
  if (multiSelect_) return info_->SelectedCount();
  return focusedRowSelected_ && FocusedRowIndex() != -1 ? 1 : 0;
}

int TcxCustomDataController::GetSelectedRowIndex(int index) {
  if (multiSelect_) return info_->SelectedRowIndex(index);
  return index == 0 && focusedRowSelected_ ? FocusedRowIndex() : -1;
}

bool TcxCustomDataController::IsRowSelected(int rowIndex) {
  if (multiSelect_) return info_->IsRowSelected(rowIndex);
  return focusedRowSelected_ && rowIndex == FocusedRowIndex() && rowIndex != -1;
}

void TcxCustomDataController::ChangeRowSelection(int rowIndex, bool selected) {
  if (multiSelect_) info_->ChangeRowSelection(rowIndex, selected);
}

void TcxCustomDataController::ClearSelection() { info_->ClearSelection(); }

void TcxCustomDataController::SelectRows(int row1, int row2) {
  if (!multiSelect_) return;
  if (row1 > row2) std::swap(row1, row2);
  BeginInfoUpdate();
  Finally end{[this] { EndInfoUpdate(); }};
  for (int r = row1; r <= row2; ++r) info_->ChangeRowSelection(r, true);
}

void TcxCustomDataController::SelectAll() {
  if (RowCount() > 0) SelectRows(0, RowCount() - 1);
}

void TcxCustomDataController::SelectFocusedRow() {
  BeginInfoUpdate();
  Finally end{[this] { EndInfoUpdate(); }};
  ClearSelection();
  if (FocusedRowIndex() != -1) SelectRows(FocusedRowIndex(), FocusedRowIndex());
}

int TcxCustomDataController::GetSelectionAnchorRowIndex() { return info_->Selection()->AnchorRowIndex(); }

void TcxCustomDataController::SetSelectionAnchor(int rowIndex) {
  info_->CheckRowIndex(rowIndex);
  info_->Selection()->SetAnchorRowIndex(rowIndex);
}

void TcxCustomDataController::ClearSelectionAnchor() { info_->ClearSelectionAnchor(); }

void TcxCustomDataController::SelectFromAnchor(int rowIndex, bool keepSelection) {
  if (!IsSelectionAnchorAssigned()) return;
  BeginInfoUpdate();
  Finally end{[this] { EndInfoUpdate(); }};
  if (!keepSelection) ClearSelection();
  SelectRows(GetSelectionAnchorRowIndex(), rowIndex);
}

void TcxCustomDataController::ChangeFocusedRowSelected(bool value) {
  if (multiSelect_ || value == focusedRowSelected_) return;
  focusedRowSelected_ = value;
  if (FocusedRowIndex() != -1) {
    prevSelectedCount_ = 1;
    prevSelectedRow_ = FocusedRowIndex();
    Change({dccSelection});
  }
}

void TcxCustomDataController::SetMultiSelect(bool value) {
  if (value == multiSelect_) return;
  multiSelect_ = value;
  focusedRowSelected_ = true;
  {
    BeginInfoUpdate();
    Finally end{[this] { EndInfoUpdate(); }};
    if (!value)
      info_->ClearSelection();
    else if (FocusedRowIndex() != -1)
      info_->ChangeRowSelection(FocusedRowIndex(), true);
  }
  TcxSummaryOptions o = summary_->Options();
  if (o.Contains(soSelectedRecords) || o.Contains(soMultipleSelectedRecords)) summary_->Changed(false);
}

bool TcxCustomDataController::FocusSelectedRow(int index) {
  int row = GetSelectedRowIndex(index);
  ChangeFocusedRowIndex(row);
  return row != -1 && FocusedRowIndex() == row;
}

// =============================================================================================
// Bookmark

bool TcxCustomDataController::SaveBookmark() {
  int r = FocusedRecordIndex();
  if (r == bookmarkRecordIndex_) return false;
  bookmarkRecordIndex_ = r;
  return true;
}

bool TcxCustomDataController::SaveBookmarkNotify() {
  bool changed = SaveBookmark();
  if (changed) Change({dccBookmark});
  return changed;
}

void TcxCustomDataController::ClearBookmarkNotify() {
  bool was = IsBookmarkAvailable();
  ClearBookmark();
  if (was != IsBookmarkAvailable()) Change({dccBookmark});
}

bool TcxCustomDataController::IsBookmarkRow(int rowIndex) {
  return IsBookmarkAvailable() && RowInfoAt(rowIndex).RecordIndex == bookmarkRecordIndex_;
}

bool TcxCustomDataController::IsBookmarkAffected(int recordIndex) {
  if (recordIndex != -1 && recordIndex == bookmarkRecordIndex_) return true;
  return info_->RecordListIndexOf(bookmarkRecordIndex_) == -1;
}

void TcxCustomDataController::CheckBookmarkValid(int recordIndex) {
  if (IsBookmarkAvailable() && IsBookmarkAffected(recordIndex)) {
    ClearBookmark();
    changes_ += dccBookmark;
  }
}

void TcxCustomDataController::RefreshSelectionAfterChange() { UpdatePrevSelectionInfo(); }

// =============================================================================================
// Saved keys: expanded master records and selected records, found again by their keys

namespace {

// Key matching never raises: values that cannot be compared count as different.
bool KeysEqual(const Variant& a, const Variant& b) {
  try {
    return VariantsCompareEqual(a, b);
  } catch (Exception&) {
    return false;
  }
}

// The detail state is only carried into controllers of the master's own class (or a class
// derived from it): other kinds of controllers identify their records differently.
bool SharesKeyScheme(TcxCustomDataController* master, TcxCustomDataController* detail) {
  if (typeid(*detail) == typeid(*master)) return true;
  TClass mc = master->ClassType();
  return detail->ClassType() != mc && detail->InheritsFrom(mc);
}

}  // namespace

void TcxSaveObject::SaveFrom(TcxCustomDataController* c) {
  detailKeys_.clear();
  keys_.clear();
  if (c->creatingLinkObject_ || c->IsDestroying() || !c->HasRecordKeys()) return;
  SaveDetailKeys(c);
  SaveSelectedKeys(c);
}

void TcxSaveObject::RestoreTo(TcxCustomDataController* c) {
  if (c->creatingLinkObject_) return;
  if (!c->HasRecordKeys()) {
    c->CheckSelectionAndBookmark(-1);
    return;
  }
  RestoreDetailKeys(c);
  RestoreSelectedKeys(c);
}

void TcxSaveObject::SaveDetailKeys(TcxCustomDataController* c) {
  TcxCustomDataRelationList* relations = c->relations_.get();
  if (relations == nullptr || relations->RelationDataField() == nullptr) return;
  std::vector<TcxCustomDataField*> keyFields;
  c->GetKeyFields(keyFields);
  for (int r = 0; r < c->GetRecordCount(); ++r) {
    TcxDetailObject* d = relations->DetailObjectOf(r);
    if (d == nullptr || !d->Expanded) continue;
    DetailKeyInfo info{c->GetKeyValues(r, keyFields), d->ActiveRelationIndex, std::make_unique<TcxSaveObject>()};
    if (TcxCustomDataController* detail = c->GetDetailDataControllerByLinkObject(d->LinkObjectAt(d->ActiveRelationIndex)))
      if (SharesKeyScheme(c, detail)) info.SubDetail->SaveFrom(detail);
    detailKeys_.push_back(std::move(info));
  }
  std::stable_sort(detailKeys_.begin(), detailKeys_.end(), [](const DetailKeyInfo& a, const DetailKeyInfo& b) {
    return CompareVariantValues(a.Key, b.Key) < 0;
  });
}

void TcxSaveObject::RestoreDetailKeys(TcxCustomDataController* c) {
  if (detailKeys_.empty()) return;
  std::vector<DetailKeyInfo> saved = std::move(detailKeys_);
  detailKeys_.clear();
  std::vector<TcxCustomDataField*> keyFields;
  c->GetKeyFields(keyFields);
  // A saved key is not used up by its first match: every record with that key is expanded.
  for (int r = 0; r < c->GetRecordCount(); ++r) {
    Variant key = c->GetKeyValues(r, keyFields);
    auto it = std::find_if(saved.begin(), saved.end(), [&](const DetailKeyInfo& k) { return KeysEqual(k.Key, key); });
    if (it == saved.end()) continue;
    c->ChangeDetailExpanding(r, true);
    c->ChangeDetailActiveRelationIndex(r, it->ActiveRelationIndex);
    if (!c->GetDetailExpanding(r) || c->GetDetailActiveRelationIndex(r) != it->ActiveRelationIndex) continue;
    // The detail is created again only when there is a state to give it.
    if (it->SubDetail->IsEmpty()) continue;
    if (TcxCustomDataController* detail = c->GetDetailDataController(r, it->ActiveRelationIndex))
      if (SharesKeyScheme(c, detail)) it->SubDetail->RestoreTo(detail);
  }
}

void TcxSaveObject::SaveSelectedKeys(TcxCustomDataController* c) {
  std::vector<TcxCustomDataField*> keyFields;
  c->GetKeyFields(keyFields);
  TcxDataSelection* sel = c->Info()->Selection();
  for (int i = 0; i < sel->Count(); ++i) {
    const auto& e = sel->Entries(i);
    if (e.Level != -1 && e.RecordIndex >= 0 && e.RecordIndex < c->GetRecordCount())
      keys_.push_back({c->GetKeyValues(e.RecordIndex, keyFields), i});
  }
  std::stable_sort(keys_.begin(), keys_.end(),
                   [](const KeyInfo& a, const KeyInfo& b) { return CompareVariantValues(a.Key, b.Key) < 0; });
  c->Info()->SaveExpandingState(esExpanded | esSelected);
}

void TcxSaveObject::RestoreSelectedKeys(TcxCustomDataController* c) {
  TcxDataSelection* sel = c->Info()->Selection();
  if (keys_.empty() || sel->Count() == 0) return;
  std::vector<TcxCustomDataField*> keyFields;
  c->GetKeyFields(keyFields);
  for (int r = 0; r < c->GetRecordCount() && !keys_.empty(); ++r) {
    Variant key = c->GetKeyValues(r, keyFields);
    auto it = std::find_if(keys_.begin(), keys_.end(), [&](const KeyInfo& k) { return KeysEqual(k.Key, key); });
    if (it == keys_.end()) continue;
    // Each saved key takes one record: the first with that key.
    if (it->SelectedIndex < sel->Count()) sel->Entries(it->SelectedIndex).RecordIndex = r;
    keys_.erase(it);
  }
  for (const auto& k : keys_)
    if (k.SelectedIndex < sel->Count()) sel->Entries(k.SelectedIndex).RecordIndex = -1;
  keys_.clear();
  for (int i = sel->Count() - 1; i >= 0; --i)
    if (sel->Entries(i).Level != -1 && sel->Entries(i).RecordIndex == -1) sel->DeleteEntry(i);
  c->Info()->ExpandingChanged();
}

// =============================================================================================
// Filter criteria of the controller

TcxDataFilterCriteria::TcxDataFilterCriteria(TcxCustomDataController* controller) : controller_(controller) {
  SetFormatVersion(3);
}

TcxDataFilterCriteria::~TcxDataFilterCriteria() {
  destroying_ = true;
  active_ = false;
  // A criteria made by CreateFilter and freed by its user leaves the controller's list.
  if (controller_) {
    auto& list = controller_->filters_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

void TcxDataFilterCriteria::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TcxDataFilterCriteria*>(source);
  if (src == nullptr) {
    TcxFilterCriteria::Assign(source);
    return;
  }
  LockChanges();
  Finally unlock{[this] { UnlockChanges(); }};
  TcxFilterCriteria::Assign(source);
  SetActive(src->Active());
}

Integer TcxDataFilterCriteria::GetIDByItemLink(TObject* link) {
  auto* f = dynamic_cast<TcxCustomDataField*>(link);
  return controller_->GetItemID(f ? f->Item() : link);
}

void TcxDataFilterCriteria::GetNameByItemLink(TObject* link, String& s) {
  auto* f = dynamic_cast<TcxCustomDataField*>(link);
  s = controller_->GetItemName(f ? f->Item() : link);
}

TcxFilterCriteriaItemClass TcxDataFilterCriteria::GetItemClass() {
  return &CreateFilterCriteriaItem<TcxDataFilterCriteriaItem>;
}

TObject* TcxDataFilterCriteria::GetItemLinkByID(Integer id) { return FieldOfLink(controller_->FindItemByID(id)); }
TObject* TcxDataFilterCriteria::GetItemLinkByName(const String& name) {
  return FieldOfLink(controller_->FindItemByName(name));
}

TObject* TcxDataFilterCriteria::FieldOfLink(TObject* link) const {
  if (link == nullptr || dynamic_cast<TcxCustomDataField*>(link) != nullptr) return link;
  TcxCustomDataField* f = controller_->Fields()->FieldByItem(link);
  return f ? f : link;
}

TcxFilterCriteriaItem* TcxDataFilterCriteria::AddItem(TcxFilterCriteriaItemList* group, TObject* itemLink,
                                                      TcxFilterOperatorKind kind, const Variant& value,
                                                      const String& displayValue) {
  return TcxFilterCriteria::AddItem(group, FieldOfLink(itemLink), kind, value, displayValue);
}

TcxFilterCriteriaItem* TcxDataFilterCriteria::ItemByItemLink(TObject* link) {
  // Conditions store fields but show their items: look the condition up by the item.
  auto* f = dynamic_cast<TcxCustomDataField*>(link);
  return TcxFilterCriteria::ItemByItemLink(f ? f->Item() : link);
}

bool TcxDataFilterCriteria::IsFiltering() { return active_ && !IsEmpty() && !controller_->IsGridMode(); }

void TcxDataFilterCriteria::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  SignalChanged();
}

bool TcxDataFilterCriteria::IsDestroying() const { return destroying_ || controller_->IsDestroying(); }

bool TcxDataFilterCriteria::IsInFilterList() const { return controller_->Filter() != this; }

bool TcxDataFilterCriteria::IsLoading() const { return controller_->IsLoading(); }

void TcxDataFilterCriteria::DoChanged() {
  if (IsInFilterList() || IsDestroying() || IsLoading()) return;
  if (!controller_->Provider()->IsActiveDataSet()) controller_->Post();
  controller_->FilterChanged();
  if (OnChanged) OnChanged(this);
}

// ---------------------------------------------------------------------------------------------
// In-place tests of a filter pass

TcxValueDef* TcxCustomDataController::InPlaceValueDef(TcxCustomDataField* field) {
  if (field == nullptr || ((IsProviderMode() || IsGridMode()) && IsProviderField(field))) return nullptr;
  return field->ValueDef();
}

namespace {

// A number as the variant layer compares it: an integer of any width, or a double (a date too).
struct TFilterNumber {
  bool IsInteger = false;
  Int64 I = 0;
  double D = 0;
};

bool IsIntegerVarType(TVarType t) {
  switch (t) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
    case varInt64:
      return true;
    default:
      return false;
  }
}

// Reads a scalar operand the in-place comparison handles; false for any other value.
bool OperandNumber(const Variant& v, TFilterNumber& n) {
  TVarType t = v.VarType();
  if (IsIntegerVarType(t)) {
    n.IsInteger = true;
    n.I = v.AsInt64();
    return true;
  }
  if (t == varDouble || t == varDate) {
    n.D = v.AsDouble();
    return true;
  }
  return false;
}

// Doubles in a total order, NaN before every number (the order of mixed kinds).
int CompareMixed(double a, double b) {
  bool na = std::isnan(a), nb = std::isnan(b);
  if (na || nb) return na == nb ? 0 : (na ? -1 : 1);
  return a < b ? -1 : (b < a ? 1 : 0);
}

// CompareVariantValues of two numbers that are not null.
int CompareNumbers(const TFilterNumber& a, const TFilterNumber& b) {
  if (a.IsInteger && b.IsInteger) return a.I < b.I ? -1 : (a.I > b.I ? 1 : 0);
  if (!a.IsInteger && !b.IsInteger) return a.D == b.D ? 0 : (a.D < b.D ? -1 : 1);
  return CompareMixed(a.IsInteger ? double(a.I) : a.D, b.IsInteger ? double(b.I) : b.D);
}

enum class TNumberTest { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual, Between, NotBetween };

// Integer, Smallint, Word and LargeInt columns, Float and DateTime columns, compared in place.
class TStoredNumberTest : public TcxFilterValueTest {
 public:
  TStoredNumberTest(TcxDataStorage* storage, TcxValueDef* def, TNumberTest test, TFilterNumber low, TFilterNumber high)
      : storage_(storage), def_(def), test_(test), low_(low), high_(high) {
    TcxValueTypeClass t = def->ValueType();
    size_ = def->DataSize();
    integer_ = t != TcxFloatValueType::Class() && t != TcxDateTimeValueType::Class();
    unsigned_ = t == TcxWordValueType::Class();
  }
  static bool Handles(TcxValueTypeClass t) {
    return t == TcxIntegerValueType::Class() || t == TcxSmallintValueType::Class() || t == TcxWordValueType::Class() ||
           t == TcxLargeIntValueType::Class() || t == TcxFloatValueType::Class() ||
           t == TcxDateTimeValueType::Class();
  }
  int Test(Pointer data) override {
    int r = int(reinterpret_cast<intptr_t>(data));
    if (r < 0 || r >= storage_->RecordsCount()) return -1;
    const Byte* b = storage_->BufferOf(r);
    if (def_->IsNullIn(b) || def_->BufferSize() == 0) return -1;
    TFilterNumber v;
    const Byte* p = def_->DataArea(b);
    v.IsInteger = integer_;
    if (!integer_) std::memcpy(&v.D, p, 8);
    else if (size_ == 8) std::memcpy(&v.I, p, 8);
    else if (size_ == 4) v.I = Load<int32_t>(p);
    else v.I = unsigned_ ? Int64(Load<uint16_t>(p)) : Int64(Load<int16_t>(p));
    switch (test_) {
      case TNumberTest::Equal: return CompareNumbers(v, low_) == 0;
      case TNumberTest::NotEqual: return CompareNumbers(v, low_) != 0;
      case TNumberTest::Less: return CompareNumbers(v, low_) < 0;
      case TNumberTest::LessEqual: return CompareNumbers(v, low_) <= 0;
      case TNumberTest::Greater: return CompareNumbers(v, low_) > 0;
      case TNumberTest::GreaterEqual: return CompareNumbers(v, low_) >= 0;
      case TNumberTest::Between: return CompareNumbers(low_, v) <= 0 && CompareNumbers(v, high_) <= 0;
      case TNumberTest::NotBetween: return !(CompareNumbers(low_, v) <= 0 && CompareNumbers(v, high_) <= 0);
    }
    return -1;
  }

 private:
  template <class T>
  static T Load(const Byte* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
  TcxDataStorage* storage_;
  TcxValueDef* def_;
  TNumberTest test_;
  TFilterNumber low_, high_;
  int size_ = 0;
  bool integer_ = false;
  bool unsigned_ = false;
};

// A pooled text column: the condition is evaluated through the general route once per distinct
// text, and its result noted on the pooled text for the rest of the pass.
class TPooledTextTest : public TcxFilterValueTest {
 public:
  TPooledTextTest(TcxFilterCriteria* criteria, TcxFilterCriteriaItem* condition, TcxDataStorage* storage,
                  TcxValueDef* def)
      : criteria_(criteria), condition_(condition), storage_(storage), def_(def), serial_(NextSerial()) {}
  int Test(Pointer data) override {
    int r = int(reinterpret_cast<intptr_t>(data));
    if (r < 0 || r >= storage_->RecordsCount()) return -1;
    const Byte* b = storage_->BufferOf(r);
    if (def_->IsNullIn(b) || def_->BufferSize() == 0) return -1;
    TcxPooledText* text;
    std::memcpy(&text, def_->DataArea(b), sizeof text);
    if (text == nullptr) return -1;
    if ((text->FilterMemo >> 1) == serial_) return int(text->FilterMemo & 1);
    Variant v;
    def_->ValueType()->DataToVariant(def_->DataArea(b), v);
    bool result = criteria_->IsValueSatisfying(condition_, v);
    text->FilterMemo = (serial_ << 1) | (result ? 1 : 0);
    return result;
  }

 private:
  // Serials of 31 bits, never 0 (the memo of a text no pass has seen).
  static uint32_t NextSerial() {
    static uint32_t last = 0;
    last = last >= 0x7FFFFFFF ? 1 : last + 1;
    return last;
  }
  TcxFilterCriteria* criteria_;
  TcxFilterCriteriaItem* condition_;
  TcxDataStorage* storage_;
  TcxValueDef* def_;
  uint32_t serial_;
};

}  // namespace

std::unique_ptr<TcxFilterValueTest> TcxDataFilterCriteria::CreateValueTest(TcxFilterCriteriaItem* condition,
                                                                           const Variant& preparedValue) {
  auto* item = dynamic_cast<TcxDataFilterCriteriaItem*>(condition);
  TcxCustomDataField* field = item ? item->Field() : nullptr;
  if (field == nullptr || field->OwnerController() != controller_) return nullptr;
  TcxValueDef* def = controller_->InPlaceValueDef(field);
  if (def == nullptr || controller_->GetRecordCount() != controller_->Storage()->RecordsCount()) return nullptr;
  TcxDataStorage* storage = controller_->Storage();
  if (def->IsPooled()) return std::make_unique<TPooledTextTest>(this, condition, storage, def);
  if (!TStoredNumberTest::Handles(def->ValueType())) return nullptr;
  // Only the operators' own classes: a descendant may test otherwise.
  static const std::pair<TClass, TNumberTest> tests[] = {
      {TcxFilterEqualOperator::StaticClass(), TNumberTest::Equal},
      {TcxFilterNotEqualOperator::StaticClass(), TNumberTest::NotEqual},
      {TcxFilterLessOperator::StaticClass(), TNumberTest::Less},
      {TcxFilterLessEqualOperator::StaticClass(), TNumberTest::LessEqual},
      {TcxFilterGreaterOperator::StaticClass(), TNumberTest::Greater},
      {TcxFilterGreaterEqualOperator::StaticClass(), TNumberTest::GreaterEqual},
      {TcxFilterBetweenOperator::StaticClass(), TNumberTest::Between},
      {TcxFilterNotBetweenOperator::StaticClass(), TNumberTest::NotBetween}};
  TClass opClass = condition->Operator()->ClassType();
  for (const auto& [cls, test] : tests) {
    if (cls != opClass) continue;
    TFilterNumber low, high;
    if (test == TNumberTest::Between || test == TNumberTest::NotBetween) {
      // An operand that is no pair of numbers takes the general route.
      if (!preparedValue.IsArray() || VarArrayDimCount(preparedValue) != 1) return nullptr;
      Integer lo = VarArrayLowBound(preparedValue, 1);
      if (VarArrayHighBound(preparedValue, 1) - lo + 1 < 2) return nullptr;
      if (!OperandNumber(preparedValue.GetElement(lo), low) || !OperandNumber(preparedValue.GetElement(lo + 1), high))
        return nullptr;
    } else if (!OperandNumber(preparedValue, low)) {
      return nullptr;
    }
    return std::make_unique<TStoredNumberTest>(storage, def, test, low, high);
  }
  return nullptr;
}

TcxCustomDataField* TcxDataFilterCriteriaItem::Field() const {
  return dynamic_cast<TcxCustomDataField*>(ItemLink());
}

void TcxDataFilterCriteriaItem::GetDataValue(Pointer data, Variant& v) {
  TcxCustomDataField* f = Field();
  if (f == nullptr) {
    v = Null();
    return;
  }
  v = f->OwnerController()->GetFilterDataValue(int(reinterpret_cast<intptr_t>(data)), f);
}

void TcxDataFilterCriteriaItem::GetFieldCaption(String& s) {
  TcxCustomDataField* f = Field();
  s = f && f->Item() ? f->OwnerController()->GetFilterItemFieldCaption(f->Item()) : String();
}

void TcxDataFilterCriteriaItem::GetFieldName(String& s) {
  TcxCustomDataField* f = Field();
  s = f && f->Item() ? f->OwnerController()->GetFilterItemFieldName(f->Item()) : String();
}

TObject* TcxDataFilterCriteriaItem::GetItemLink() const {
  TcxCustomDataField* f = Field();
  return f ? f->Item() : nullptr;
}

// =============================================================================================
// Incremental search, incremental filter and text location

void TcxDataControllerSearch::Cancel() {
  if (locked_ || !controller_->incrementalSearching_) return;
  controller_->incrementalSearchText_.clear();
  controller_->incrementalSearching_ = false;
  controller_->Change({dccSearch});
}

int TcxDataControllerSearch::ItemIndex() const {
  return controller_->incrementalSearchField_ ? controller_->incrementalSearchField_->Index() : -1;
}

bool TcxDataControllerSearch::Searching() const { return controller_->incrementalSearching_; }
String TcxDataControllerSearch::SearchText() const { return controller_->incrementalSearchText_; }

void TcxDataControllerSearch::SetItemIndex(int itemIndex) {
  controller_->incrementalSearchField_ = controller_->FieldOfItem(itemIndex);
}

int TcxDataControllerSearch::DoSearch(int start, int end, bool forward, const String& text) {
  int item = ItemIndex();
  if (item < 0) return -1;
  int count = controller_->FilteredRecordCount();
  if (end == -1) end = forward ? count - 1 : 0;
  // The same test as TextMatches (partial, without case), with the search text upper-cased once.
  String upper = AnsiUpperCase(text);
  for (int p = start; forward ? p <= end : p >= end; p += forward ? 1 : -1) {
    if (p < 0 || p >= count) break;
    String t = controller_->GetSearchDisplayText(controller_->FilteredRecordIndex(p), item);
    if (upper.empty()) {
      if (t.empty()) return p;
      continue;
    }
    String u = AnsiUpperCase(t);
    if (u.size() >= upper.size() && u.compare(0, upper.size(), upper) == 0) return p;
  }
  return -1;
}

void TcxDataControllerSearch::FocusRecordAt(int position) {
  Lock();
  Finally unlock{[this] { Unlock(); }};
  controller_->ChangeFocusedRecordIndex(controller_->FilteredRecordIndex(position));
  controller_->SelectFocusedRow();
}

bool TcxDataControllerSearch::Locate(int itemIndex, const String& text) {
  if (text.empty() || controller_->FilteredRecordCount() == 0) return false;
  SetItemIndex(itemIndex);
  bool found = false;
  if (controller_->IsGridMode()) {
    found = controller_->LocateInGridMode(text, true, false);
  } else {
    int focused = controller_->FocusedRecordIndex();
    int start = focused == -1 ? 0 : std::max(0, controller_->FilteredRecordListIndexOf(focused));
    int p = DoSearch(start, -1, true, text);
    if (p == -1 && start > 0) p = DoSearch(0, start - 1, true, text);
    if (p != -1) {
      FocusRecordAt(p);
      found = true;
    }
  }
  if (found) {
    controller_->incrementalSearching_ = true;
    controller_->incrementalSearchText_ = text;
    controller_->Change({dccSearch});
    controller_->SyncSelectionWithFocus();
  }
  return found;
}

bool TcxDataControllerSearch::LocateNext(bool forward) {
  if (!Searching() || SearchText().empty() || ItemIndex() < 0 || controller_->FilteredRecordCount() == 0) return false;
  bool found = false;
  if (controller_->IsGridMode()) {
    found = controller_->LocateInGridMode(SearchText(), forward, true);
  } else {
    int focused = controller_->FocusedRecordIndex();
    if (focused != -1) {
      int p = controller_->FilteredRecordListIndexOf(focused) + (forward ? 1 : -1);
      if (p >= 0 && p < controller_->FilteredRecordCount()) {
        int q = DoSearch(p, -1, forward, SearchText());
        if (q != -1) {
          FocusRecordAt(q);
          found = true;
        }
      }
    }
  }
  if (found) controller_->SyncSelectionWithFocus();
  return found;
}

void TcxCustomDataController::SyncSelectionWithFocus() {
  if (!multiSelect_) return;
  SelectFocusedRow();
}

bool TcxCustomDataController::MatchesIncrementalFilter(int recordIndex) {
  if (incrementalFilterField_ == nullptr) return true;
  return TextMatches(GetDisplayTextByField(recordIndex, incrementalFilterField_), incrementalFilterText_, true);
}

int TcxCustomDataController::ChangeIncrementalFilterText(int itemIndex, const String& text) {
  incrementalFilterField_ = FieldOfItem(itemIndex);
  incrementalFilterText_ = text;
  Refresh();
  return FilteredRecordCount() == 0 ? -1 : FilteredRecordIndex(0);
}

bool TcxCustomDataController::SetIncrementalFilterText(const String& text) {
  if (incrementalFilterField_ == nullptr || text == incrementalFilterText_) return false;
  ChangeIncrementalFilterText(incrementalFilterField_->Index(), text);
  return true;
}

void TcxCustomDataController::ResetIncrementalFilter() {
  bool was = IsIncrementalFiltering();
  incrementalFilterField_ = nullptr;
  incrementalFilterText_.clear();
  if (was && !IsDestroying()) Refresh();
}

int TcxCustomDataController::FindRecordIndexByText(int start, int itemIndex, const String& text, bool partial,
                                                   bool wrap, bool forward) {
  TcxCustomDataField* f = FieldOfItem(itemIndex);
  int count = FilteredRecordCount();
  if (start < 0 || start >= count) return -1;
  auto scan = [&](int from, int to, int step) {
    for (int p = from; step > 0 ? p <= to : p >= to; p += step) {
      int r = FilteredRecordIndex(p);
      if (TextMatches(GetDisplayTextByField(r, f), text, partial)) return r;
    }
    return -1;
  };
  int r;
  if (forward) {
    r = scan(start, count - 1, 1);
    if (r == -1 && start != 0 && wrap) r = scan(0, start - 1, 1);
  } else {
    r = scan(start, 0, -1);
    if (r == -1 && wrap) r = scan(count - 1, start + 1, -1);
  }
  return r;
}

// =============================================================================================
// Filter value list

TcxFilterValueListClass TcxDataFilterCriteria::GetValueListClass() {
  return [](TcxFilterCriteria* criteria) -> TcxFilterValueList* { return new TcxDataFilterValueList(criteria); };
}

TcxDataFilterValueList* TcxDataFilterCriteria::CreateValueList() {
  return static_cast<TcxDataFilterValueList*>(GetValueListClass()(this));
}

void TcxDataFilterValueList::Load(int itemIndex, bool compareByDisplayText, bool filteredOnly) {
  auto* criteria = static_cast<TcxDataFilterCriteria*>(Criteria());
  TcxCustomDataController* c = criteria->DataController();
  TcxCustomDataField* field = c->FieldOfItem(itemIndex);
  RemoveAllValues();
  if (compareByDisplayText) SetSortByDisplayText(c->IsFilterItemSortByDisplayText(itemIndex));
  AddValue(fviAll, Null(), cxGetFilterResourceString(cxSFilterStringAll), true);
  AddValue(fviCustom, Null(), cxGetFilterResourceString(cxSFilterStringCustom), true);
  bool blanks = false;
  if (c->IsGridMode()) {
    blanks = true;
  } else {
    if (!filteredOnly || c->FilteredRecordCount() == 0) filteredOnly = false;
    int n = filteredOnly ? c->FilteredRecordCount() : c->GetRecordCount();
    for (int i = 0; i < n; ++i) {
      int r = filteredOnly ? c->FilteredRecordIndex(i) : i;
      Variant v = c->GetFilterDataValue(r, field);
      if (criteria->IsNull(v))
        blanks = true;
      else
        AddValue(fviValue, v, c->GetFilterDisplayText(r, itemIndex));
    }
  }
  if (blanks) AddValue(fviBlanks, Null(), cxGetFilterResourceString(cxSFilterStringBlanks), true);
  bool nonBlanksCondition = false;
  if (filteredOnly)
    if (TcxFilterCriteriaItem* cond = criteria->ItemByItemLink(field))
      nonBlanksCondition = cond->OperatorKind() == foIsNotNull;
  if (blanks || nonBlanksCondition)
    AddValue(fviNonBlanks, Null(), cxGetFilterResourceString(cxSFilterStringNonBlanks), true);
  if (criteria->OnGetValueList) criteria->OnGetValueList(criteria, itemIndex, this);
}

// =============================================================================================
// Rows and sorting by a group summary

void TcxCustomDataController::ForEachRow(bool selectedOnly,
                                         const std::function<void(int rowIndex, const TcxRowInfo& info)>& proc) {
  if (selectedOnly) {
    for (int i = 0; i < CountSelectedRows(); ++i) {
      int row = GetSelectedRowIndex(i);
      if (row >= 0 && row < RowCount()) proc(row, RowInfoAt(row));
    }
  } else {
    for (int row = 0; row < RowCount(); ++row) proc(row, RowInfoAt(row));
  }
}

void TcxCustomDataController::SetSortingBySummaryDataItemIndex(int itemIndex) {
  if (itemIndex == SortingBySummaryDataItemIndex()) return;
  sortingBySummaryField_ = itemIndex == -1 ? nullptr : FieldOfItem(itemIndex);
  sortingBySummaryChanged_ = true;
  Change({dccSorting});
}
