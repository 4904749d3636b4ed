// The controller's pipeline: filtering, sorting, grouping, expansion, focus tracking, row
// mapping and the selection, with the saved expansion and group selection across rebuilds.
#include <algorithm>
#include <exception>
#include <cmath>
#include <cstring>
#include <functional>
#include <unordered_map>

#include "data/cxCustomData.h"
#include "data/cxCustomDataInternal.h"
#include "data/cxDataConsts.h"
#include "data/cxDataSortKeys.h"
#include "rtl/SysUtils.h"

namespace {

using cxdata_internal::Finally;

// Sorts `a[0..n)` with the three-way comparison `cmp`. The comparison may be inconsistent
// (values of mixed kinds that do not order each other): the scans never leave their range, and
// recursion goes into the smaller part only, so the depth stays logarithmic.
template <class Cmp>
void GuardedQuickSort(int* a, int n, Cmp cmp) {
  int l = 0, r = n - 1;
  struct Range {
    int L, R;
  };
  std::vector<Range> stack;
  for (;;) {
    while (l < r) {
      if (r - l < 16) {  // insertion sort for short ranges
        for (int i = l + 1; i <= r; ++i) {
          int v = a[i];
          int j = i - 1;
          while (j >= l && cmp(a[j], v) > 0) {
            a[j + 1] = a[j];
            --j;
          }
          a[j + 1] = v;
        }
        break;
      }
      int i = l, j = r;
      int pivot = a[(l + r) >> 1];
      do {
        while (i < r && cmp(a[i], pivot) < 0) ++i;
        while (j > l && cmp(a[j], pivot) > 0) --j;
        if (i <= j) {
          std::swap(a[i], a[j]);
          ++i;
          --j;
        }
      } while (i <= j);
      // [l..j] and [i..r]: continue with the smaller one, keep the larger for later.
      if (j - l < r - i) {
        if (i < r) stack.push_back({i, r});
        r = j;
      } else {
        if (l < j) stack.push_back({l, j});
        l = i;
      }
    }
    if (stack.empty()) return;
    l = stack.back().L;
    r = stack.back().R;
    stack.pop_back();
  }
}

String GroupValueKey(const Variant& v, bool upper) {
  if (v.IsNull() || v.IsEmpty()) return "\x01";
  String s;
  try {
    s = v.AsString();
  } catch (Exception&) {
    s.assign(1, '?');
  }
  if (upper) s = AnsiUpperCase(s);
  return std::to_string(v.IsString() ? 0 : int(v.VarType())) + ":" + s;
}

}  // namespace

// =============================================================================================
// Sorting and grouping lists

int TcxSortingFieldList::Find(const TcxCustomDataField* field) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].Field == field) return int(i);
  return -1;
}

void TcxSortingFieldList::SetFieldOrder(TcxCustomDataField* field, TcxDataSortOrder order) {
  int i = Find(field);
  if (order == soNone) {
    if (i != -1) Delete(i);
  } else if (i != -1) {
    SetOrderAt(i, order);
  } else {
    Add(field, order);
  }
}

void TcxSortingFieldList::Add(TcxCustomDataField* field, TcxDataSortOrder order) {
  items_.push_back({field, order});
  Changed();
}

void TcxSortingFieldList::Insert(int index, TcxCustomDataField* field, TcxDataSortOrder order) {
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, {field, order});
  Changed();
}

void TcxSortingFieldList::Delete(int index) {
  items_.erase(items_.begin() + index);
  Changed();
}

void TcxSortingFieldList::Remove(const TcxCustomDataField* field) {
  int i = Find(field);
  if (i != -1) Delete(i);
}

void TcxSortingFieldList::Move(int from, int to) {
  if (from == to) return;
  TcxSortingFieldEntry e = items_[std::size_t(from)];
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, e);
  Changed();
}

void TcxSortingFieldList::SetOrderAt(int index, TcxDataSortOrder order) {
  if (items_[std::size_t(index)].SortOrder == order) return;
  items_[std::size_t(index)].SortOrder = order;
  Changed();
}

void TcxSortingFieldList::Clear() {
  while (!items_.empty()) Delete(0);
}

void TcxSortingFieldList::Merge(const TcxSortingFieldList& other) {
  for (const auto& e : other.items_)
    if (Find(e.Field) == -1) items_.push_back(e);
}

void TcxGroupingFieldList::SetFieldOrder(TcxCustomDataField* field, TcxDataSortOrder order) {
  TcxSortingFieldList::SetFieldOrder(field, order == soNone ? soAscending : order);
}

// =============================================================================================
// Selection

void TcxDataSelection::InsertEntry(int position, int row, int level, int record) {
  if (position < 0 || position > Count())
    entries_.push_back({level, record, row});
  else
    entries_.insert(entries_.begin() + position, {level, record, row});
}

void TcxDataSelection::DeleteEntry(int position) {
  if (entries_[std::size_t(position)].RowIndex == anchorRowIndex_) ClearAnchor();
  entries_.erase(entries_.begin() + position);
}

void TcxDataSelection::ResizeTo(int count) {
  while (Count() > count) DeleteEntry(Count() - 1);
  while (Count() < count) entries_.push_back({0, Count(), Count()});
}

bool TcxDataSelection::FindRow(int row, int& position) const {
  int lo = 0, hi = Count() - 1;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int r = entries_[std::size_t(mid)].RowIndex;
    if (r < row)
      lo = mid + 1;
    else if (r > row)
      hi = mid - 1;
    else {
      position = mid;
      return true;
    }
  }
  position = lo;
  return false;
}

int TcxDataSelection::FindGroupEntry(int groupIndex) const {
  for (int i = 0; i < Count(); ++i)
    if (entries_[std::size_t(i)].Level == -1 && entries_[std::size_t(i)].RecordIndex == groupIndex) return i;
  return -1;
}

int TcxDataSelection::FindRecordEntry(int recordIndex) const {
  for (int i = 0; i < Count(); ++i)
    if (entries_[std::size_t(i)].Level != -1 && entries_[std::size_t(i)].RecordIndex == recordIndex) return i;
  return -1;
}

void TcxDataSelection::SortByRow() {
  std::stable_sort(entries_.begin(), entries_.end(),
                   [](const auto& a, const auto& b) { return a.RowIndex < b.RowIndex; });
}

// =============================================================================================
// Groups

void TcxDataGroups::FinishBuild() {
  lastLevel_.clear();
  topLevel_.clear();
  int last = LevelCount() - 1;
  for (int i = 0; i < Count(); ++i) {
    if (items_[std::size_t(i)].Level == 0) topLevel_.push_back(i);
    if (items_[std::size_t(i)].Level == last) lastLevel_.push_back(i);
  }
  rowCount_ = int(topLevel_.size());
}

int TcxDataGroups::RowCount() const { return items_.empty() ? 0 : rowCount_; }

int TcxDataGroups::FindGroupOfRow(int row, int* nearest) const {
  auto it = std::lower_bound(items_.begin(), items_.end(), row,
                             [](const TcxDataGroupInfo& g, int r) { return g.RowIndex < r; });
  int idx = int(it - items_.begin());
  if (it != items_.end() && it->RowIndex == row) {
    if (nearest) *nearest = idx;
    return idx;
  }
  if (nearest) *nearest = idx - 1;
  return -1;
}

int TcxDataGroups::ShownGroupOfRow(int groupIndex) const {
  int row = items_[std::size_t(groupIndex)].RowIndex;
  int g = groupIndex;
  while (g > 0 && items_[std::size_t(g - 1)].RowIndex == row) --g;
  return g;
}

TcxRowInfo TcxDataGroups::RowInfo(int row) const {
  TcxRowInfo info;
  int nearest = -1;
  int g = FindGroupOfRow(row, &nearest);
  if (g != -1) {
    const auto& gi = items_[std::size_t(g)];
    info.Level = gi.Level;
    info.Expanded = gi.Expanded;
    info.RecordIndex = gi.FirstPos;
    info.GroupIndex = g;
  } else {
    const auto& gi = items_[std::size_t(nearest)];
    info.Level = LevelCount();
    info.RecordIndex = row + gi.BeginIndex - gi.RowIndex - 1;
    info.GroupIndex = nearest;
  }
  return info;
}

int TcxDataGroups::FirstRecordPos(int groupIndex) const { return items_[std::size_t(groupIndex)].FirstPos; }

int TcxDataGroups::LastLevelGroupOfRecordPos(int recordPos) const {
  auto it = std::upper_bound(lastLevel_.begin(), lastLevel_.end(), recordPos,
                             [this](int p, int g) { return p < items_[std::size_t(g)].BeginIndex; });
  if (it == lastLevel_.begin()) return -1;
  int g = *(it - 1);
  return recordPos <= items_[std::size_t(g)].EndIndex ? g : -1;
}

int TcxDataGroups::GroupOfRecordPos(int recordPos, int level) const {
  int g = LastLevelGroupOfRecordPos(recordPos);
  while (g != -1 && items_[std::size_t(g)].Level > level) g = items_[std::size_t(g)].Parent;
  return g;
}

int TcxDataGroups::GroupIndexOfRowAtLevel(int row, int level) const {
  int nearest = -1;
  int g = FindGroupOfRow(row, &nearest);
  if (g == -1) g = nearest;
  if (g < 0 || g >= Count()) return -1;
  if (level == -1) return g;
  if (items_[std::size_t(g)].Level < level) {
    for (int i = g + 1; i < Count(); ++i)
      if (items_[std::size_t(i)].Level == level) return i;
    return -1;
  }
  for (int i = g; i >= 0; --i)
    if (items_[std::size_t(i)].Level == level) return i;
  return -1;
}

int TcxDataGroups::ChildCount(int groupIndex) const {
  if (groupIndex == -1) return int(topLevel_.size());
  if (groupIndex < -1 || groupIndex >= Count()) return 0;
  const auto& g = items_[std::size_t(groupIndex)];
  if (g.Level == LevelCount() - 1) return g.EndIndex - g.BeginIndex + 1;
  int n = 0;
  for (int c = g.BeginIndex; c <= g.EndIndex; c = items_[std::size_t(c)].Level == LevelCount() - 1 ? c + 1 : items_[std::size_t(c)].EndIndex + 1)
    ++n;
  return n;
}

int TcxDataGroups::ChildGroupIndex(int groupIndex, int n) const {
  if (groupIndex == -1) return n >= 0 && n < int(topLevel_.size()) ? topLevel_[std::size_t(n)] : -1;
  if (groupIndex < 0 || groupIndex >= Count() || n < 0) return -1;
  const auto& g = items_[std::size_t(groupIndex)];
  if (g.Level == LevelCount() - 1) return -1;
  int i = 0;
  for (int c = g.BeginIndex; c <= g.EndIndex; c = items_[std::size_t(c)].Level == LevelCount() - 1 ? c + 1 : items_[std::size_t(c)].EndIndex + 1)
    if (i++ == n) return c;
  return -1;
}

int TcxDataGroups::ChildRecordPos(int groupIndex, int n) const {
  if (groupIndex < 0 || groupIndex >= Count()) return -1;
  const auto& g = items_[std::size_t(groupIndex)];
  if (g.Level != LevelCount() - 1 || n < 0 || g.BeginIndex + n > g.EndIndex) return -1;
  return g.BeginIndex + n;
}

int TcxDataGroups::LevelOf(int groupIndex) const {
  return groupIndex >= 0 && groupIndex < Count() ? items_[std::size_t(groupIndex)].Level : -1;
}

int TcxDataGroups::ParentOf(int groupIndex) const {
  return groupIndex >= 0 && groupIndex < Count() ? items_[std::size_t(groupIndex)].Parent : -1;
}

void TcxDataGroups::SetRowExpanded(int row, bool expanded, bool recursive) {
  int g = FindGroupOfRow(row);
  if (g == -1) return;
  auto& gi = items_[std::size_t(g)];
  gi.Expanded = expanded;
  if (recursive && gi.Level < LevelCount() - 1)
    for (int i = g + 1; i < Count() && items_[std::size_t(i)].Level > gi.Level; ++i)
      items_[std::size_t(i)].Expanded = expanded;
  Renumber();
}

void TcxDataGroups::SetAllExpanded(bool expanded) {
  for (auto& g : items_) g.Expanded = expanded;
  Renumber();
}

bool TcxDataGroups::ExpandParents(int groupIndex, bool includeSelf) {
  bool changed = false;
  int g = includeSelf ? groupIndex : ParentOf(groupIndex);
  for (; g != -1; g = items_[std::size_t(g)].Parent) {
    if (!items_[std::size_t(g)].Expanded) {
      items_[std::size_t(g)].Expanded = true;
      changed = true;
    }
  }
  if (changed) Renumber();
  return changed;
}

void TcxDataGroups::Renumber() {
  int row = 0;
  int last = LevelCount() - 1;
  // hidden[l]: the row of the collapsed ancestor hiding the groups of level l; -1 when visible.
  std::vector<int> hidden(std::size_t(LevelCount() + 1), -1);
  for (auto& g : items_) {
    std::size_t l = std::size_t(g.Level);
    if (hidden[l] != -1) {
      g.RowIndex = hidden[l];
      hidden[l + 1] = hidden[l];
      continue;
    }
    g.RowIndex = row++;
    hidden[l + 1] = g.Expanded ? -1 : g.RowIndex;
    if (g.Level == last && g.Expanded) row += g.EndIndex - g.BeginIndex + 1;
  }
  rowCount_ = row;
}

// =============================================================================================
// Pipeline: construction and change requests

TcxCustomDataControllerInfo::TcxCustomDataControllerInfo(TcxCustomDataController* controller)
    : controller_(controller), sortKeys_(std::make_unique<TcxDataSortKeys>()) {
  groupingFields_.OnChanged = [this] { GroupingChanged(); };
  sortingFields_.OnChanged = [this] { SortingChanged(); };
  RecreateSelection();
}

void TcxCustomDataControllerInfo::RecreateSelection() {
  selection_.reset(controller_->CreateDataSelection());
  selection_->OnChanged = [this] { SelectionChanged(); };
}

TcxCustomDataControllerInfo::~TcxCustomDataControllerInfo() = default;

void TcxCustomDataControllerInfo::CheckChanges() {
  // A request made while a run is under way (the data set's cursor moved to the focused row
  // notifies the controller from inside the run) joins that run: its bits are applied and
  // reported with the run's own, instead of a second run that filters, sorts and groups again.
  if (changes_ != 0 && lockCount_ == 0 && !inCalculation_) Recalculate();
}

void TcxCustomDataControllerInfo::RefreshRecords() {
  changes_ |= dcicRecords;
  if (!controller_->IsSummaryLocked()) changes_ |= dcicSummary;
  if (sortingFields_.Count() > 0) changes_ |= dcicSorting;
  if (groupingFields_.Count() > 0) changes_ |= dcicGrouping;
  CheckChanges();
}

void TcxCustomDataControllerInfo::CheckFocusingRecord() {
  changes_ |= dcicFocusedRecord;
  focusingInfo_.Level = -1;
  focusingInfo_.RecordIndex = controller_->GetSyncFocusedRecordIndex();
  CheckChanges();
}

void TcxCustomDataControllerInfo::SummaryChanged(bool layoutOnly) {
  bool bySummary = IsSortingBySummary();
  if (!layoutOnly || bySummary)
    changes_ |= dcicSummary;
  else
    changes_ |= dcicLayout;
  if (bySummary) changes_ |= dcicGrouping;
  CheckChanges();
}

void TcxCustomDataControllerInfo::FocusedRecordChanged(bool markPrevious) {
  changes_ |= dcicFocusedRecordChanged;
  if (markPrevious) prevFocusingInfo_.Changed = true;
  if (markPrevious) controller_->reportedFocus_.PrevNewItemRowFocused = true;
}

void TcxCustomDataControllerInfo::SelectionChanged() {
  changes_ |= dcicSelection;
  TcxSummaryOptions o = controller_->Summary()->Options();
  if (o.Contains(soSelectedRecords) || o.Contains(soMultipleSelectedRecords)) changes_ |= dcicSummary;
}

void TcxCustomDataControllerInfo::SyncGroupingOrders() {
  for (int i = 0; i < groupingFields_.Count(); ++i) {
    TcxCustomDataField* f = groupingFields_.Items(i).Field;
    int s = sortingFields_.Find(f);
    TcxDataSortOrder o = s == -1 ? soAscending : sortingFields_.Items(s).SortOrder;
    if (o == soNone) o = soAscending;
    groupingFields_.SetOrderAt(i, o);
  }
}

void TcxCustomDataControllerInfo::RemoveField(TcxCustomDataField* field) {
  sortingFields_.Remove(field);
  if (groupingFields_.Find(field) != -1) {
    selection_->ResetAll();
    groupingFields_.Remove(field);
  }
  totalSortingFields_.Remove(field);
  SyncGroupingOrders();
  expandingInfos_.DropForField(field);
  if (groups_.Count() > 0) {
    bool used = false;
    for (int i = 0; i < groups_.LevelCount(); ++i) used |= groups_.FieldAt(i) == field;
    if (used) {
      groups_.Clear();
      changes_ |= dcicGrouping;
    }
  }
  CheckChanges();
}

void TcxCustomDataControllerInfo::UpdateField(TcxCustomDataField* field) {
  changes_ |= dcicLayout;
  if (sortingFields_.Find(field) != -1) SortingChanged();
  if (groupingFields_.Find(field) != -1) {
    selection_->ClearRows();
    GroupingChanged();
  }
  expandingInfos_.DropForField(field);
  CheckChanges();
}

void TcxCustomDataControllerInfo::SetSortOrder(TcxCustomDataField* field, TcxDataSortOrder order) {
  sortingFields_.SetFieldOrder(field, order);
  SyncGroupingOrders();
  CheckChanges();
}

void TcxCustomDataControllerInfo::ChangeSortIndex(TcxCustomDataField* field, int index) {
  int cur = sortingFields_.Find(field);
  if (cur == -1) return;
  index = std::clamp(index, 0, sortingFields_.Count() - 1);
  if (index != cur) {
    sortingFields_.Move(cur, index);
    controller_->PostIfEditing();
    controller_->SortingChangedFlag() = true;
  }
  CheckChanges();
}

void TcxCustomDataControllerInfo::ClearSorting(bool keepGroupingFields) {
  int before = sortingFields_.Count();
  if (keepGroupingFields) {
    for (int i = sortingFields_.Count() - 1; i >= 0; --i)
      if (groupingFields_.Find(sortingFields_.Items(i).Field) == -1) sortingFields_.Delete(i);
  } else {
    sortingFields_.Clear();
    SyncGroupingOrders();
  }
  if (sortingFields_.Count() != before) {
    controller_->PostIfEditing();
    controller_->SortingChangedFlag() = true;
  }
  CheckChanges();
}

void TcxCustomDataControllerInfo::ChangeGroupIndex(TcxCustomDataField* field, int groupIndex) {
  int cur = groupingFields_.Find(field);
  if (groupIndex < 0) {
    if (cur != -1) groupingFields_.Delete(cur);
  } else if (cur == -1) {
    groupingFields_.Insert(std::min(groupIndex, groupingFields_.Count()), field, soAscending);
  } else {
    groupingFields_.Move(cur, std::min(groupIndex, groupingFields_.Count() - 1));
  }
  SyncGroupingOrders();
  CheckChanges();
}

bool TcxCustomDataControllerInfo::GroupsAlwaysExpanded() const {
  return controller_->GetOptions().Contains(dcoGroupsAlwaysExpanded);
}

bool TcxCustomDataControllerInfo::IsSummaryOnSelection() const {
  TcxSummaryOptions o = controller_->Summary()->Options();
  return o.Contains(soSelectedRecords) ||
         (o.Contains(soMultipleSelectedRecords) && controller_->CountSelectedRows() > 1);
}

bool TcxCustomDataControllerInfo::IsSortingBySummary() const {
  TcxSummaryOptions o = controller_->Summary()->Options();
  if (o.Contains(soSelectedRecords) || o.Contains(soMultipleSelectedRecords)) return false;
  for (int l = 0; l < groupingFields_.Count(); ++l) {
    TcxDataSummaryItems* items = controller_->Summary()->GroupSummaryItemsOfLevel(l);
    if (items != nullptr && items->SortedItem() != nullptr) return true;
  }
  return false;
}

// =============================================================================================
// The run

void TcxCustomDataControllerInfo::Recalculate() {
  inCalculation_ = true;
  TcxCustomDataController* c = controller_;
  c->Provider()->SetLoadAllNeeded(groupingFields_.Count() > 0);
  if (c->SortingBySummaryChangedFlag()) changes_ |= dcicSorting | dcicGrouping | dcicSummary;
  // Groups ordered by a summary no longer follow the record order of a plain sort: every
  // re-sort while grouped by summary rebuilds the groups and their values, so that the group
  // list always matches the record list.
  if ((changes_ & dcicSorting) && groupingFields_.Count() > 0 && IsSortingBySummary())
    changes_ |= dcicGrouping | dcicSummary;
  TComponent* owner = c->Owner();
  bool summaryNeeded = (changes_ & dcicSummary) != 0 &&
                       !(owner && (owner->ComponentState().Contains(csReading) ||
                                   owner->ComponentState().Contains(csDestroying)));
  expandingFlag_ = false;
  Finally finish{[this] {
    expandingInfos_.Clear();
    if (expandingFlag_) UpdateSelectionRows();
    if (changes_ & (dcicSorting | dcicExpanding)) controller_->UpdatePrevSelectionInfo();
    if (fastFieldCount_ != 0) UnprepareSortFields();
    sortKeys_->EndRun();
    fastFieldCount_ = 0;
    inCalculation_ = false;
    ApplyChanges();
  }};
  Byte states = 0;
  if (c->GetOptions().Contains(dcoSaveExpanding) && (changes_ & (dcicRecords | dcicGrouping))) states |= esExpanded;
  if (selection_->Count() > 0 && (changes_ & (dcicRecords | dcicGrouping | dcicSorting | dcicExpanding)))
    states |= esSelected;
  SaveExpandingState(states);
  if (changes_ & dcicRecords) {
    LoadRecordList();
    FilterRecords();
  }
  if (summaryNeeded && !IsSummaryOnSelection()) c->Summary()->StartCalculation();
  if (changes_ & (dcicGrouping | dcicSorting)) SortRecords();
  if (changes_ & dcicGrouping) {
    c->NotifyGroupingChanging();
    BuildGroups();
  }
  if (changes_ & (dcicGrouping | dcicSorting)) FocusTopRowAfterSorting();
  RestoreViewState();
  if (summaryNeeded) {
    if (IsSummaryOnSelection())
      c->Summary()->CalculateAll();
    else
      c->Summary()->FinishCalculation();
  }
  if ((summaryNeeded || (changes_ & (dcicGrouping | dcicSorting))) && IsSortingBySummary()) {
    // Reorders the groups of each level by the sorted summary item.
    SortGroupsBySummary();
    RestoreViewState();
  }
}

void TcxCustomDataControllerInfo::ApplyChanges() {
  Word ch = changes_;
  changes_ = 0;
  TcxCustomDataController* c = controller_;
  TcxDataControllerChanges out;
  if (ch & (dcicLayout | dcicSorting)) out += dccLayout;
  if (ch & (dcicRecords | dcicGrouping | dcicExpanding)) out += dccData;
  if (ch & (dcicFocus | dcicFocusedRecord | dcicFocusedRecordChanged)) out += dccFocus;
  if (ch & dcicSelection) out += dccSelection;
  if (ch & dcicSummary) out += dccExpanding;
  if (c->GroupingChangedFlag()) out += dccGrouping;
  if (c->SortingChangedFlag()) out += dccSorting;
  c->GroupingChangedFlag() = false;
  c->SortingChangedFlag() = false;
  c->StorageLoadedFlag() = false;
  c->FilterChangedFlag() = false;
  c->SortingBySummaryChangedFlag() = false;
  c->Change(out);
}

void TcxCustomDataControllerInfo::LoadRecordList() {
  int n = controller_->GetRecordCount();
  recordList_.resize(std::size_t(n));
  for (int i = 0; i < n; ++i) recordList_[std::size_t(i)] = i;
  positionsValid_ = false;
}

void TcxCustomDataControllerInfo::FilterRecords() {
  TcxCustomDataController* c = controller_;
  bool incremental = c->IsIncrementalFiltering();
  bool criteria = c->Filter()->IsFiltering();
  bool handler = !c->IsGridMode() && c->HasFilterRecordHandler();
  if (!incremental && !criteria && !handler) return;
  int editing = c->Provider()->EditingRecordIndex();
  if (criteria) c->Filter()->BeginRecordPass();
  Finally endPass{[c] { c->Filter()->EndRecordPass(); }};
  std::vector<int> kept;
  kept.reserve(recordList_.size());
  for (int r : recordList_) {
    bool keep = r == editing || !((handler && !c->DoFilterRecord(r)) || (incremental && !c->MatchesIncrementalFilter(r)) ||
                                  (criteria && !c->Filter()->IsRecordMatching(r)));
    if (keep) kept.push_back(r);
  }
  if (kept.size() == recordList_.size()) return;
  recordList_.swap(kept);
  positionsValid_ = false;
  RebuildPositions();
  for (int i = selection_->Count() - 1; i >= 0; --i) {
    const auto& e = selection_->Entries(i);
    if (e.Level != -1 && RecordListIndexOf(e.RecordIndex) == -1) selection_->DeleteEntry(i);
  }
  if (c->FocusCheckAfterFilter()) {
    c->SetFocusCheckAfterFilter(false);
    c->FilterChangedFlag() = true;
  }
}

void TcxCustomDataControllerInfo::RebuildPositions() {
  int n = controller_->GetRecordCount();
  positions_.assign(std::size_t(std::max(n, 0)), -1);
  for (std::size_t p = 0; p < recordList_.size(); ++p) {
    int r = recordList_[p];
    if (r >= 0 && r < n) positions_[std::size_t(r)] = int(p);
  }
  positionsValid_ = true;
}

int TcxCustomDataControllerInfo::RecordListIndexOf(int record) const {
  auto* self = const_cast<TcxCustomDataControllerInfo*>(this);
  if (!positionsValid_ || int(positions_.size()) != controller_->GetRecordCount()) self->RebuildPositions();
  if (record < 0 || record >= int(positions_.size())) return -1;
  return positions_[std::size_t(record)];
}

void TcxCustomDataControllerInfo::PrepareSortFields() {
  for (int i = 0; i < totalSortingFields_.Count(); ++i) {
    TcxCustomDataField* f = totalSortingFields_.Items(i).Field;
    int mark = -1;
    if (controller_->UseControllerCompare(f)) mark = controller_->IsSortByDisplayText(f) ? 2 : 1;
    f->SetCompareMark(mark);
  }
}

void TcxCustomDataControllerInfo::UnprepareSortFields() {
  for (int i = 0; i < totalSortingFields_.Count(); ++i) totalSortingFields_.Items(i).Field->SetCompareMark(0);
}

bool TcxCustomDataControllerInfo::BuildFastKeys() {
  // Typed keys are used when every field compares its raw stored values, nothing decides
  // per record pair (no compare handler, no edited record held between neighbours) and the
  // values live in the controller's own storage.
  TcxCustomDataController* c = controller_;
  fastFieldCount_ = 0;
  if (c->IsProviderMode() || c->HasCompareHandler() || c->Provider()->HasNeighbour()) return false;
  int nf = totalSortingFields_.Count();
  if (nf == 0) return false;
  std::vector<TcxDataSortKeys::Field> fields;
  for (int i = 0; i < nf; ++i) {
    const auto& e = totalSortingFields_.Items(i);
    TcxValueDef* def = e.Field->ValueDef();
    if (e.Field->CompareMark() != -1 || def == nullptr || !TcxDataSortKeys::CanKey(def->ValueType())) return false;
    fields.push_back({def, e.SortOrder == soDescending});
  }
  if (c->GetRecordCount() != c->Storage()->RecordsCount() || !sortKeys_->Prepare(c->Storage(), fields)) return false;
  fastFieldCount_ = nf;
  return true;
}

int TcxCustomDataControllerInfo::CompareFastKeys(int a, int b, int entryFrom, int entryTo) const {
  for (int f = entryFrom; f < entryTo; ++f) {
    int r = sortKeys_->Compare(a, b, f);
    if (r != 0) return r;
  }
  return 0;
}

void TcxCustomDataControllerInfo::SortFast() { sortKeys_->Sort(recordList_); }

void TcxCustomDataControllerInfo::SortRecords() {
  totalSortingFields_.Clear();
  totalSortingFields_.Merge(groupingFields_);
  totalSortingFields_.Merge(sortingFields_);
  TcxCustomDataController* c = controller_;
  if (c->IsGridMode() || recordList_.empty()) return;
  PrepareSortFields();
  Finally unmark{[this] {
    if (fastFieldCount_ == 0) UnprepareSortFields();
  }};
  if (c->IsProviderMode() && c->Provider()->IsCustomSorting()) {
    c->Provider()->NotifyDataSource();
    return;
  }
  if (totalSortingFields_.Count() == 0) {
    std::sort(recordList_.begin(), recordList_.end());
  } else if (BuildFastKeys()) {
    SortFast();
  } else {
    GuardedQuickSort(recordList_.data(), int(recordList_.size()), [this](int a, int b) { return SortCompare(a, b); });
  }
  positionsValid_ = false;
}

int TcxCustomDataControllerInfo::SortCompare(int a, int b) {
  if (a == b) return 0;
  TcxCustomDataProvider* p = controller_->Provider();
  if (p->HasNeighbour()) {
    int e = p->EditingRecordIndex();
    int prev = p->PrevNeighbourRecord();
    int next = p->NextNeighbourRecord();
    if (a == e) {
      if (prev != cxNullEditingRecordIndex) return 1;
      if (b == next) return -1;
      a = next;
    } else if (b == e) {
      if (prev != cxNullEditingRecordIndex) return -1;
      if (a == next) return 1;
      b = next;
    }
    if (a == b) return a == next ? 1 : -1;  // unreachable guard
  }
  for (int i = 0; i < totalSortingFields_.Count(); ++i) {
    int r = controller_->CompareWithSortOrder(a, b, false, totalSortingFields_.Items(i));
    if (r != 0) return r;
  }
  return controller_->CompareEqual(a, b);
}

int TcxCustomDataControllerInfo::CompareGroupValues(int a, int b, int level) {
  if (a == b) return 0;
  TcxCustomDataProvider* p = controller_->Provider();
  int e = p->EditingRecordIndex();
  if (p->SavedRecordIndex() != 0 && e != cxNullEditingRecordIndex) {
    if (a == e)
      a = p->SavedRecordIndex();
    else if (b == e)
      b = p->SavedRecordIndex();
  } else if (p->HasNeighbour()) {
    int prev = p->PrevNeighbourRecord();
    int next = p->NextNeighbourRecord();
    if (a == e) {
      if (prev != cxNullEditingRecordIndex) return 0;
      if (b == next) return 0;
      a = next;
    } else if (b == e) {
      if (prev != cxNullEditingRecordIndex) return 0;
      if (a == next) return 0;
      b = next;
    }
  }
  if (fastFieldCount_ > level && a >= 0 && b >= 0) return CompareFastKeys(a, b, level, level + 1);
  return controller_->CompareWithSortOrder(a, b, true, totalSortingFields_.Items(level));
}

void TcxCustomDataControllerInfo::BuildGroups() {
  groups_.Clear();
  for (int i = 0; i < groupingFields_.Count(); ++i) groups_.AddField(groupingFields_.Items(i).Field);
  int n = int(recordList_.size());
  int levels = groups_.LevelCount();
  if (n == 0 || levels == 0) {
    groups_.Clear();
    return;
  }
  // The total sorting list starts with the grouping fields: level i compares entry i.
  if (totalSortingFields_.Count() < levels) {
    totalSortingFields_.Clear();
    totalSortingFields_.Merge(groupingFields_);
    totalSortingFields_.Merge(sortingFields_);
  }
  bool marked = fastFieldCount_ == 0;
  if (marked) PrepareSortFields();
  Finally unmark{[this, marked] {
    if (marked) UnprepareSortFields();
  }};
  std::vector<int> open(static_cast<std::size_t>(levels), -1);
  std::vector<int> firstRecord(static_cast<std::size_t>(levels), -1);
  int top = 0;
  auto openGroup = [&](int level, int pos, int parent) {
    TcxDataGroupInfo& g = groups_.AddGroup();
    int idx = groups_.Count() - 1;
    g.RowIndex = top;
    g.Expanded = false;
    g.Level = level;
    g.Parent = parent;
    g.FirstPos = pos;
    g.BeginIndex = level == levels - 1 ? pos : idx + 1;
    open[std::size_t(level)] = idx;
    firstRecord[std::size_t(level)] = recordList_[std::size_t(pos)];
  };
  auto closeGroup = [&](int level, int pos) {
    TcxDataGroupInfo& g = groups_.Items(open[std::size_t(level)]);
    g.EndIndex = level == levels - 1 ? pos - 1 : groups_.Count() - 1;
    g.LastPos = pos - 1;
  };
  for (int l = 0; l < levels; ++l) openGroup(l, 0, l == 0 ? -1 : open[std::size_t(l - 1)]);
  // After a typed sort the leading keys lie in record-list order: compare them there.
  TcxCustomDataProvider* prov = controller_->Provider();
  bool byPosition = fastFieldCount_ > 0 && sortKeys_->PositionCount() == recordList_.size() && !prov->HasNeighbour() &&
                    prov->SavedRecordIndex() == 0;
  int positionLevels = byPosition ? sortKeys_->PositionLevels() : 0;
  std::vector<int> firstPos(static_cast<std::size_t>(levels), 0);
  auto differs = [&](int p, int r, int level) {
    if (level < positionLevels) return !sortKeys_->SameUpToLevel(p, firstPos[std::size_t(level)], level);
    return CompareGroupValues(r, firstRecord[std::size_t(level)], level) != 0;
  };
  for (int p = 1; p < n; ++p) {
    int r = recordList_[std::size_t(p)];
    for (int i = 0; i < levels; ++i) {
      if (!differs(p, r, i)) continue;
      for (int j = i; j < levels; ++j) firstPos[std::size_t(j)] = p;
      if (i == 0) ++top;
      for (int j = levels - 1; j >= i; --j) closeGroup(j, p);
      for (int j = i; j < levels; ++j) openGroup(j, p, j == 0 ? -1 : open[std::size_t(j - 1)]);
      break;
    }
  }
  for (int j = levels - 1; j >= 0; --j) closeGroup(j, n);
  groups_.FinishBuild();
}

// =============================================================================================
// Rows

int TcxCustomDataControllerInfo::RowCount() const {
  return IsGrouped() ? groups_.RowCount() : int(recordList_.size());
}

void TcxCustomDataControllerInfo::CheckRowIndex(int row) const {
  if (row < 0 || row >= RowCount()) cxDataControllerError(cxSDataRowIndexError);
}

TcxRowInfo TcxCustomDataControllerInfo::RowInfo(int row) const {
  CheckRowIndex(row);
  if (!IsGrouped()) {
    TcxRowInfo info;
    info.RecordIndex = recordList_[std::size_t(row)];
    return info;
  }
  TcxRowInfo info = groups_.RowInfo(row);
  info.RecordIndex = recordList_[std::size_t(info.RecordIndex)];
  return info;
}

int TcxCustomDataControllerInfo::DataRowOfRecordPos(int group, int pos, bool expand) {
  if (!expand) {
    if (!groups_.IsShownInOwnRow(group) || !groups_.Items(group).Expanded) return -1;
  } else if (groups_.ExpandParents(group, true)) {
    ExpandingChanged();
  }
  const auto& g = groups_.Items(group);
  return g.RowIndex + pos - g.BeginIndex + 1;
}

int TcxCustomDataControllerInfo::RowIndexByRecordIndex(int record, bool expand) {
  int p = RecordListIndexOf(record);
  if (p == -1) return -1;
  if (!IsGrouped()) return p;
  int g = groups_.LastLevelGroupOfRecordPos(p);
  if (g == -1) return -1;
  int row = DataRowOfRecordPos(g, p, expand);
  if (expand && expandingFlag_) CheckChanges();
  return row;
}

int TcxCustomDataControllerInfo::NearestRowIndex(int row) const {
  CheckRowIndex(row);
  int n = RowCount();
  if (!IsGrouped()) return row + 1 < n ? row + 1 : row - 1;
  int level = RowInfo(row).Level;
  if (row + 1 < n && RowInfo(row + 1).Level == level) return row + 1;
  if (row - 1 >= 0 && RowInfo(row - 1).Level == level) return row - 1;
  if (row == n - 1) return row == 0 ? row : row - 1;
  return row + 1;
}

int TcxCustomDataControllerInfo::FocusedRecordIndex() const {
  int row = focusingInfo_.RowIndex;
  if (row < 0 || row >= RowCount()) return -1;
  return RowInfo(row).RecordIndex;
}

// =============================================================================================
// Focus

void TcxCustomDataControllerInfo::ChangeFocusedRow(int row, bool force) {
  row = std::clamp(row, -1, RowCount() - 1);
  if (row == focusingInfo_.RowIndex) return;
  focusing_ = true;
  if (!(changes_ & dcicFocus)) prevFocusingInfo_.CopyFrom(focusingInfo_);
  bool allowed = false;
  auto finish = [&] {
    int rc = RowCount();
    if (prevFocusingInfo_.RowIndex > rc - 1) prevFocusingInfo_.RowIndex = -1;
    if (focusingInfo_.RowIndex > rc - 1) focusingInfo_.RowIndex = -1;
    if (allowed || prevFocusingInfo_.RowIndex != -1) {
      int r = focusingInfo_.RowIndex;
      if (r >= 0) {
        TcxRowInfo ri = RowInfo(r);
        focusingInfo_.Level = ri.Level;
        focusingInfo_.RecordIndex = controller_->GetSyncFocusedRecordIndex();
        focusingInfo_.PrevRecordIndex = focusingInfo_.RecordIndex;
        if (ri.RecordIndex != focusingInfo_.RecordIndex)
          focusingInfo_.RowIndex = std::clamp(FocusedRecordRowIndex(false), -1, RowCount() - 1);
      } else {
        focusingInfo_.Level = -1;
        focusingInfo_.RecordIndex = -1;
        focusingInfo_.PrevRecordIndex = -1;
      }
    }
    bool same = focusingInfo_.RecordIndex == prevFocusingInfo_.RecordIndex &&
                focusingInfo_.Level == prevFocusingInfo_.Level &&
                (!(changes_ & dcicSorting) || focusingInfo_.RowIndex == prevFocusingInfo_.RowIndex);
    if (!same || focusingInfo_.RowIndex != prevFocusingInfo_.RowIndex) {
      changes_ |= dcicFocus | dcicFocusedRecordChanged;
      TcxSummaryOptions o = controller_->Summary()->Options();
      if (controller_->IsSingleSelection() && (o.Contains(soSelectedRecords) || o.Contains(soMultipleSelectedRecords)))
        changes_ |= dcicSummary;
      controller_->ResetNewItemRowFocused();
      controller_->ResetDataSetCurrent();
      if (controller_->IsSingleSelection()) controller_->ChangeFocusedRowSelected(true);
    }
    focusing_ = false;
  };
  try {
    if (force) {
      allowed = true;
    } else {
      inCanFocus_ = true;
      Finally f{[this] { inCanFocus_ = false; }};
      int record = -1;
      if (row >= 0) record = RowInfo(row).RecordIndex;
      allowed = controller_->CanFocusRecord(record);
      // The check may have posted and rebuilt: keep the row within the new rows.
      row = std::clamp(row, -1, RowCount() - 1);
    }
    if (allowed) {
      controller_->BeforeFocusedRowChange(row);
      focusingInfo_.RowIndex = row;
    }
  } catch (...) {
    allowed = false;
    finish();
    throw;
  }
  finish();
}

void TcxCustomDataControllerInfo::FocusRow(int row) {
  controller_->BeginUpdate();
  Finally end{[this] { controller_->EndUpdate(); }};
  ChangeFocusedRow(row, false);
}

void TcxCustomDataControllerInfo::ResetAndFocusRow(int row) {
  focusingInfo_.Reset();
  ChangeFocusedRow(row, false);
}

int TcxCustomDataControllerInfo::GroupRowAtLevel(int group, int level) {
  int g = group;
  while (groups_.Items(g).Level != level) {
    int parent = groups_.Items(g).Parent;
    if (parent == -1 || groups_.Items(parent).FirstPos != groups_.Items(g).FirstPos) break;
    g = parent;
  }
  if (groups_.ExpandParents(g, false)) ExpandingChanged();
  return groups_.Items(g).RowIndex;
}

int TcxCustomDataControllerInfo::FocusedRecordRowIndex(bool afterCollapse) {
  int record = focusingInfo_.RecordIndex;
  if (record < 0) return -1;
  int p = RecordListIndexOf(record);
  if (p == -1) return -1;
  if (!IsGrouped()) return p;
  int g = groups_.LastLevelGroupOfRecordPos(p);
  if (g == -1) return -1;
  int L = focusingInfo_.Level;
  int levels = groups_.LevelCount();
  if (!afterCollapse) {
    if (L >= 0 && L < levels && p == groups_.Items(g).FirstPos) return GroupRowAtLevel(g, L);
    if (L == -1 && p == groups_.Items(g).FirstPos) return GroupRowAtLevel(g, -2);
    return DataRowOfRecordPos(g, p, true);
  }
  int v = groups_.ShownGroupOfRow(g);
  if (L == levels) {
    if (g == v && groups_.Items(g).Expanded) return DataRowOfRecordPos(g, p, false);
    L = L - 1;
  }
  if (L < 0 && g == v) return groups_.Items(g).RowIndex;
  int a = g;
  while (a != -1 && groups_.Items(a).Level != L) a = groups_.Items(a).Parent;
  if (a == -1) return -1;
  return groups_.Items(groups_.ShownGroupOfRow(a)).RowIndex;
}

void TcxCustomDataControllerInfo::FocusAfterCollapse() {
  int r = FocusedRecordRowIndex(true);
  if (r == focusingInfo_.RowIndex) return;
  if (controller_->NeedsFocusReset()) focusingInfo_.Reset();
  ChangeFocusedRow(r, false);
}

void TcxCustomDataControllerInfo::FocusTopRowAfterSorting() {
  TcxCustomDataController* c = controller_;
  if (c->InNotifyControl() || !c->GetOptions().Contains(dcoFocusTopRowAfterSorting)) return;
  if (!(c->GroupingChangedFlag() || c->SortingChangedFlag() || c->StorageLoadedFlag())) return;
  c->StorageLoadedFlag() = false;
  focusingInfo_.Reset();
  ChangeFocusedRow(0, false);
  if (selection_->Count() > 0) selection_->ResetAll();
}

void TcxCustomDataControllerInfo::RestoreViewState() {
  RestoreExpandingState();
  RestoreFocus();
  controller_->CheckBookmarkValid(-1);
}

void TcxCustomDataControllerInfo::RestoreFocus() {
  int r = FocusedRecordRowIndex(false);
  int cur = focusingInfo_.RowIndex;
  if (r != cur) {
    bool stale = cur < 0 || cur >= RowCount() || RowInfo(cur).RecordIndex != focusingInfo_.RecordIndex;
    if (stale) ChangeFocusedRow(r, true);
  }
  if ((changes_ & dcicFocus) && prevFocusingInfo_.RowIndex > RowCount() - 1) prevFocusingInfo_.RowIndex = -1;
  TcxCustomDataController* c = controller_;
  if (c->FilterChangedFlag()) {
    if (focusingInfo_.RowIndex == -1 && !c->IsNewItemRowEditing()) {
      c->FilterChangedFlag() = false;
      if (c->Provider()->LocateCount() == 0) {
        focusingInfo_.Reset();
        ChangeFocusedRow(0, false);
      }
    }
  }
}

// =============================================================================================
// Expansion

void TcxCustomDataControllerInfo::ChangeExpanding(int row, bool expanded, bool recursive) {
  CheckRowIndex(row);
  if (!IsGrouped() || GroupsAlwaysExpanded()) return;
  if (!expanded && focusingInfo_.RowIndex != -1 &&
      controller_->Groups()->IsRowInsideGroupRow(focusingInfo_.RowIndex, row))
    controller_->EnsureBrowseMode();
  groups_.SetRowExpanded(row, expanded, recursive);
  ExpandingChanged();
  Lock();
  Finally unlock{[this] { Unlock(); }};
  if (!expanded) FocusAfterCollapse();
}

void TcxCustomDataControllerInfo::FullExpand() {
  if (!IsGrouped() || GroupsAlwaysExpanded()) return;
  groups_.SetAllExpanded(true);
  ExpandingChanged();
  Lock();
  Finally unlock{[this] { Unlock(); }};
  FocusAfterCollapse();
}

void TcxCustomDataControllerInfo::FullCollapse() {
  if (!IsGrouped() || GroupsAlwaysExpanded()) return;
  groups_.SetAllExpanded(false);
  ExpandingChanged();
  Lock();
  Finally unlock{[this] { Unlock(); }};
  FocusAfterCollapse();
}

// =============================================================================================
// Selection

void TcxCustomDataControllerInfo::ChangeRowSelection(int row, bool selected) {
  CheckRowIndex(row);
  int pos;
  bool is = selection_->FindRow(row, pos);
  if (is && !selected) {
    selection_->Delete(pos);
  } else if (!is && selected && controller_->CanSelectRow(row)) {
    TcxRowInfo info = RowInfo(row);
    if (IsGrouped() && info.Level < groups_.LevelCount())
      selection_->AddEntry(pos, row, -1, info.GroupIndex);
    else
      selection_->AddEntry(pos, row, info.Level, info.RecordIndex);
  }
  CheckChanges();
}

void TcxCustomDataControllerInfo::UpdateSelectionRows() {
  for (int i = 0; i < selection_->Count(); ++i) {
    auto& e = selection_->Entries(i);
    if (e.Level == -1)
      e.RowIndex = e.RecordIndex >= 0 && e.RecordIndex < groups_.Count() ? groups_.Items(e.RecordIndex).RowIndex : -1;
    else
      e.RowIndex = RowIndexByRecordIndex(e.RecordIndex, false);
  }
  selection_->SortByRow();
}

void TcxCustomDataControllerInfo::CheckSelection() {
  if (selection_->Count() == 0) return;
  TcxCustomDataController* c = controller_;
  if (c->GetRecordCount() == 0) {
    selection_->ResetAll();
    return;
  }
  if (c->InDeleteSelection() && !c->InLoadStorage()) return;
  if (c->HasRecordKeys() && !c->NeedsFocusReset()) return;
  for (int i = selection_->Count() - 1; i >= 0; --i) {
    const auto& e = selection_->Entries(i);
    if (e.Level != -1 && e.RecordIndex >= c->GetRecordCount()) selection_->Delete(i);
  }
}

void TcxCustomDataControllerInfo::ShiftRecordIndexes(int record, int delta, bool inRecordList) {
  for (int i = selection_->Count() - 1; i >= 0; --i) {
    auto& e = selection_->Entries(i);
    if (e.Level == -1) continue;
    if (delta < 0 && e.RecordIndex == record) {
      selection_->Delete(i);
    } else if (e.RecordIndex >= record) {
      e.RecordIndex += delta;
    }
  }
  if (inRecordList)
    for (auto& r : recordList_) {
      if (delta < 0 && r == record)
        r = -1;
      else if (r >= record)
        r += delta;
    }
  positionsValid_ = false;
  for (TcxDataFocusingInfo* fi : {&focusingInfo_, &prevFocusingInfo_})
    if (fi->RecordIndex > record || (delta > 0 && fi->RecordIndex == record)) fi->RecordIndex += delta;
}

// =============================================================================================
// Expansion and group selection across rebuilds

bool TcxCustomDataControllerInfo::IsGroupingConsistent() const {
  if (controller_->GetRecordCount() == 0 || groups_.LevelCount() != groupingFields_.Count()) return false;
  for (int i = 0; i < groups_.LevelCount(); ++i)
    if (groups_.FieldAt(i) != groupingFields_.Items(i).Field) return false;
  return true;
}

void TcxDataExpandingInfos::AddField(TcxCustomDataField* field) {
  if (IndexOfField(field) != -1) cxDataControllerError(cxSDataItemExistError);
  fields_.push_back(field);
  items_.clear();
}

int TcxDataExpandingInfos::IndexOfField(const TcxCustomDataField* field) const {
  for (std::size_t i = 0; i < fields_.size(); ++i)
    if (fields_[i] == field) return int(i);
  return -1;
}

void TcxCustomDataControllerInfo::SaveExpandingState(Byte states) {
  if (states == expandingInfos_.SaveStates() && states != 0) return;
  if (states == 0 || !IsGroupingConsistent()) {
    expandingInfos_.Clear();
    expandingInfos_.SetSaveStates(states);
    return;
  }
  expandingInfos_.Clear();
  expandingInfos_.SetSaveStates(states);
  for (int i = 0; i < groups_.LevelCount(); ++i) expandingInfos_.AddField(groups_.FieldAt(i));
  if (!IsGrouped()) return;
  bool saveSelected = (states & esSelected) != 0;
  bool always = GroupsAlwaysExpanded();
  int n = controller_->GetRecordCount();
  auto saveGroup = [&](int gi, bool expanded) {
    const auto& g = groups_.Items(gi);
    int r = g.FirstPos < int(recordList_.size()) ? recordList_[std::size_t(g.FirstPos)] : -1;
    if (r < 0 || r >= n) return;
    Byte state = 0;
    if (expanded && (selection_->Count() > 0 || !always)) state |= esExpanded;
    if (saveSelected && selection_->FindGroupEntry(gi) != -1) state |= esSelected;
    if (state != 0) expandingInfos_.AddInfo(g.Level, controller_->GetComparedValue(r, groups_.FieldAt(g.Level)), state);
  };
  int d = 0;
  for (int i = 0; i < groups_.Count(); ++i) {
    const auto& g = groups_.Items(i);
    if (g.Level > d) continue;
    if (g.Expanded) {
      saveGroup(i, true);
      d = g.Level + 1;
    } else {
      if (saveSelected) saveGroup(i, false);
      d = g.Level;
    }
  }
}

void TcxCustomDataControllerInfo::RestoreExpandingState() {
  if (IsGrouped() && GroupsAlwaysExpanded()) groups_.SetAllExpanded(true);
  Byte states = expandingInfos_.SaveStates();
  if (states == 0) return;
  bool same = expandingInfos_.FieldCount() == groups_.LevelCount();
  for (int i = 0; same && i < groups_.LevelCount(); ++i) same = expandingInfos_.Fields(i) == groups_.FieldAt(i);
  if (!same) {
    if (states & esSelected) selection_->ResetAll();
    return;
  }
  int levels = groups_.LevelCount();
  for (int i = selection_->Count() - 1; i >= 0; --i) {
    const auto& e = selection_->Entries(i);
    if (e.Level == -1 || e.Level != levels) selection_->DeleteEntry(i);
  }
  if (IsGrouped()) {
    Finally fix{[this, states] {
      if (!GroupsAlwaysExpanded() && (states & esExpanded)) groups_.Renumber();
      FixGroupedSelection();
    }};
    ReapplySavedGroups();
  } else if ((states & esSelected) && !controller_->IsGridMode()) {
    FixPlainSelection();
  }
  int anchor = selection_->AnchorRowIndex();
  if (anchor != -1) {
    int p;
    if (!selection_->FindRow(anchor, p)) selection_->ClearAnchor();
  }
}

void TcxCustomDataControllerInfo::ReapplySavedGroups() {
  // Finds each saved group by its value path: a saved entry of level L names the child, with
  // that value, of the group found for its entry of level L - 1.
  bool upper = controller_->GetOptions().Contains(dcoCaseInsensitive);
  std::unordered_map<int, std::unordered_map<String, int>> childrenByKey;
  auto findChild = [&](int parent, int level, const Variant& value) -> int {
    auto it = childrenByKey.find(parent);
    if (it == childrenByKey.end()) {
      auto& m = childrenByKey[parent];
      int count = groups_.ChildCount(parent);
      TcxCustomDataField* f = groups_.FieldAt(level);
      for (int i = 0; i < count; ++i) {
        int g = groups_.ChildGroupIndex(parent, i);
        int r = recordList_[std::size_t(groups_.Items(g).FirstPos)];
        m.emplace(GroupValueKey(controller_->GetComparedValue(r, f), upper), g);
      }
      it = childrenByKey.find(parent);
    }
    auto found = it->second.find(GroupValueKey(value, upper));
    return found == it->second.end() ? -1 : found->second;
  };
  std::vector<int> path(std::size_t(groups_.LevelCount()), -1);
  bool saveExpanded = (expandingInfos_.SaveStates() & esExpanded) != 0;
  std::vector<bool> selectedGroups(std::size_t(groups_.Count()));
  for (int i = 0; i < selection_->Count(); ++i)
    if (selection_->Entries(i).Level == -1 && selection_->Entries(i).RecordIndex >= 0 &&
        selection_->Entries(i).RecordIndex < groups_.Count())
      selectedGroups[std::size_t(selection_->Entries(i).RecordIndex)] = true;
  for (int i = 0; i < expandingInfos_.Count(); ++i) {
    const auto& e = expandingInfos_.Items(i);
    if (e.Level < 0 || e.Level >= groups_.LevelCount()) continue;
    int parent = e.Level == 0 ? -1 : path[std::size_t(e.Level - 1)];
    int g = e.Level == 0 || parent != -1 ? findChild(parent, e.Level, e.Value) : -1;
    path[std::size_t(e.Level)] = g;
    for (std::size_t l = std::size_t(e.Level) + 1; l < path.size(); ++l) path[l] = -1;
    if (g == -1 || e.State == 0) continue;
    if ((e.State & esExpanded) && saveExpanded) groups_.Items(g).Expanded = true;
    // Two saved groups may lead to one group now (a value change merged them): select it once.
    if ((e.State & esSelected) && !selectedGroups[std::size_t(g)]) {
      selectedGroups[std::size_t(g)] = true;
      selection_->InsertEntry(-1, -1, -1, g);
    }
  }
}

void TcxCustomDataControllerInfo::FixGroupedSelection() {
  if (selection_->Count() == 0) return;
  for (int i = 0; i < selection_->Count(); ++i) {
    auto& e = selection_->Entries(i);
    e.RowIndex = e.Level == -1 ? -1 : RecordListIndexOf(e.RecordIndex);
  }
  selection_->SortByRow();
  int cursor = 0;
  while (cursor < selection_->Count() && selection_->Entries(cursor).Level == -1) ++cursor;
  int last = groups_.LevelCount() - 1;
  int d = 0;
  for (int i = 0; i < groups_.Count() && cursor < selection_->Count(); ++i) {
    const auto& g = groups_.Items(i);
    if (g.Level > d) continue;
    d = g.Expanded ? g.Level + 1 : g.Level;
    if (g.Level != last) continue;
    while (cursor < selection_->Count() && selection_->Entries(cursor).RowIndex < g.BeginIndex)
      selection_->DeleteEntry(cursor);
    if (g.Expanded) {
      while (cursor < selection_->Count() && selection_->Entries(cursor).RowIndex <= g.EndIndex) {
        auto& e = selection_->Entries(cursor);
        e.RowIndex = g.RowIndex + e.RowIndex - g.BeginIndex + 1;
        ++cursor;
      }
    }
  }
  while (cursor < selection_->Count()) selection_->DeleteEntry(cursor);
  for (int i = 0; i < selection_->Count(); ++i) {
    auto& e = selection_->Entries(i);
    if (e.Level == -1) e.RowIndex = groups_.Items(e.RecordIndex).RowIndex;
  }
  selection_->SortByRow();
}

void TcxCustomDataControllerInfo::FixPlainSelection() {
  for (int i = selection_->Count() - 1; i >= 0; --i) {
    auto& e = selection_->Entries(i);
    e.RowIndex = RecordListIndexOf(e.RecordIndex);
    if (e.RowIndex == -1) selection_->DeleteEntry(i);
  }
  selection_->SortByRow();
}

// =============================================================================================
// Grouping facade

TcxCustomDataControllerInfo* TcxDataControllerGroups::Info() const { return controller_->Info(); }

int TcxDataControllerGroups::GroupingLevelCount() const { return Info()->GroupingFields().Count(); }

int TcxDataControllerGroups::ItemIndexOfLevel(int level) const {
  return Info()->GroupingFields().Items(level).Field->Index();
}

int TcxDataControllerGroups::LevelOfField(const TcxCustomDataField* field) const {
  return Info()->GroupingFields().Find(field);
}

int TcxDataControllerGroups::LevelOfItem(int itemIndex) const {
  return LevelOfField(controller_->FieldOfItem(itemIndex));
}

void TcxDataControllerGroups::ChangeItemGroupIndex(int itemIndex, int level) {
  TcxCustomDataField* f = controller_->FieldOfItem(itemIndex);
  int cur = LevelOfField(f);
  if (cur == level || (cur == -1 && level < 0)) return;
  controller_->PostIfEditing();
  controller_->GroupingChangedFlag() = true;
  Info()->ChangeGroupIndex(f, level);
}

void TcxDataControllerGroups::ClearGrouping() {
  if (GroupingLevelCount() > 0) {
    controller_->PostIfEditing();
    controller_->GroupingChangedFlag() = true;
  }
  Info()->ClearGrouping();
  Info()->CheckChanges();
}

void TcxDataControllerGroups::ChangeRowExpanding(int row, bool expanded, bool recursive) {
  Info()->ChangeExpanding(row, expanded, recursive);
}
void TcxDataControllerGroups::FullExpand() { Info()->FullExpand(); }
void TcxDataControllerGroups::FullCollapse() { Info()->FullCollapse(); }

int TcxDataControllerGroups::GroupIndexOfRow(int row) const {
  if (!Info()->IsGrouped()) return -1;
  return Info()->DataGroups().GroupIndexOfRow(row);
}
int TcxDataControllerGroups::LevelOfGroup(int groupIndex) const { return Info()->DataGroups().LevelOf(groupIndex); }
int TcxDataControllerGroups::ChildCount(int groupIndex) const { return Info()->DataGroups().ChildCount(groupIndex); }
int TcxDataControllerGroups::ChildGroupIndex(int groupIndex, int n) const {
  return Info()->DataGroups().ChildGroupIndex(groupIndex, n);
}

int TcxDataControllerGroups::RecordOfChild(int groupIndex, int n) const {
  int p = Info()->DataGroups().ChildRecordPos(groupIndex, n);
  return p == -1 ? -1 : Info()->RecordList()[std::size_t(p)];
}

void TcxDataControllerGroups::CollectGroupRecords(std::vector<int>& list, int groupIndex) const {
  const TcxDataGroups& g = Info()->DataGroups();
  if (groupIndex < 0 || groupIndex >= g.Count()) return;
  const auto& gi = g.Items(groupIndex);
  for (int p = gi.FirstPos; p <= gi.LastPos; ++p) list.push_back(Info()->RecordList()[std::size_t(p)]);
}

void TcxDataControllerGroups::CollectRowRecords(std::vector<int>& list, int row) const {
  CollectGroupRecords(list, GroupIndexOfRow(row));
}

bool TcxDataControllerGroups::IsRowInsideGroupRow(int row, int groupRow) const {
  if (!Info()->IsGrouped()) return false;
  int gr = GroupIndexOfRow(row);
  int gg = GroupIndexOfRow(groupRow);
  if (gr == gg) return true;
  const TcxDataGroups& g = Info()->DataGroups();
  if (gr < 0 || gg < 0) return false;
  return g.Items(gr).Level > g.Items(gg).Level && gr >= g.Items(gg).BeginIndex && gr <= g.Items(gg).EndIndex &&
         g.Items(gg).Level < g.LevelCount() - 1;
}
