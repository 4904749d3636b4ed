// The data builder: fields distributed over the areas, records filtered and grouped into the
// row and column trees, ordering by summaries and top values, expanding.
#include <algorithm>
#include <cstring>

#include "pivotgrid/cxCustomPivotGrid.h"
#include "pivotgrid/cxCustomPivotGridInternal.h"
#include "rtl/SysUtils.h"

// ---- record lists, field lists ----------------------------------------------------------------------

void TcxPivotGridRecords::Sort() {
  if (sorted_) return;
  std::sort(items_.begin(), items_.end());
  sorted_ = true;
}

void TcxPivotGridRecords::Intersect(TcxPivotGridRecords* a, TcxPivotGridRecords* b) {
  items_.clear();
  a->Sort();
  b->Sort();
  items_.reserve(std::size_t(std::min(a->Count(), b->Count())));
  std::set_intersection(a->items_.begin(), a->items_.end(), b->items_.begin(), b->items_.end(),
                        std::back_inserter(items_));
  sorted_ = true;
  a->Clear();
  b->Clear();
}

int TcxPivotGridFields::IndexOf(const TcxPivotGridField* f) const {
  auto it = std::find(items_.begin(), items_.end(), f);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

void TcxPivotGridFields::Sort() {
  std::stable_sort(items_.begin(), items_.end(), [](TcxPivotGridField* a, TcxPivotGridField* b) {
    if (a->Area() != b->Area()) return a->Area() < b->Area();
    unsigned ia = unsigned(a->AreaIndex()), ib = unsigned(b->AreaIndex());  // -1 sorts last
    if (ia != ib) return ia < ib;
    return a->Index() < b->Index();
  });
}

// ---- group items --------------------------------------------------------------------------------------

TcxPivotGridGroupItem::TcxPivotGridGroupItem(TcxPivotGridGroupItem* parent, TcxPivotGridField* field,
                                             int recordIndex, TcxPivotGridDataBuilder* builder)
    : builder_(builder), field_(field), parent_(parent), recordIndex_(recordIndex) {}

TcxPivotGridGroupItem::~TcxPivotGridGroupItem() {
  for (auto* i : items_) delete i;
}

TcxCustomPivotGrid* TcxPivotGridGroupItem::PivotGrid() const { return builder_->PivotGrid(); }

void TcxPivotGridGroupItem::ClearItems() {
  for (auto* i : items_) delete i;
  items_.clear();
  records_.Clear();
}

int TcxPivotGridGroupItem::Level() const {
  int n = -1;
  for (auto* p = parent_; p; p = p->parent_) ++n;
  return n;
}

int TcxPivotGridGroupItem::GetTotalSize() {
  if (!HasExpandedChildren()) return GetSize();
  int s = 0;
  for (auto* i : items_) s += i->GetTotalSize();
  return s;
}

int TcxPivotGridGroupItem::GetSize() {
  if (!field_) return PivotGrid()->OptionsView()->GetActualWidth();
  return field_->GetActualWidth();
}

int TcxPivotGridGroupItem::GetTotalsCount() {
  if (!parent_ || !field_) return 1;
  switch (field_->TotalsVisibility()) {
    case tvAutomatic: return 1;
    case tvCustom: return field_->CustomTotals()->Count();
    default: return 0;
  }
}

void TcxPivotGridGroupItem::GetValue(Variant& value) {
  if (!field_)
    value = Null();
  else if (recordIndex_ == -2)
    value = cxPivotGridResText("Others");
  else if (recordIndex_ == -1)
    value = field_->Caption();
  else
    field_->GetGroupValue(recordIndex_, value);
}

const Variant& TcxPivotGridGroupItem::Value() {
  if (!valueCached_) {
    GetValue(value_);
    valueCached_ = true;
  }
  return value_;
}

String TcxPivotGridGroupItem::GetDisplayText() {
  if (displayText_.empty()) {
    const Variant& v = Value();
    if (!field_)
      displayText_ = String();
    else if (recordIndex_ < 0)
      displayText_ = VarToStr(v);
    else
      field_->GetGroupValueDisplayText(v, displayText_);
  }
  return displayText_;
}

TcxPivotGridGroupItem* TcxPivotGridGroupItem::NewItem(TcxPivotGridField* field, int recordIndex) {
  return new TcxPivotGridGroupItem(this, field, recordIndex, builder_);
}

int TcxPivotGridGroupItem::CompareWithValue(const Variant& value) {
  TcxCustomPivotGrid* grid = PivotGrid();
  const Variant& own = Value();
  int c = own.IsString() && value.IsString() ? grid->OptionsData()->CompareValues(own, value)
                                              : CompareVariantValues(own, value);
  if (grid->OnCompareAssigned()) grid->DoCompare(field_, own, value, c);
  return c;
}

bool TcxPivotGridGroupItem::FindItem(const Variant& value, TcxDataSortOrder order, int& index) {
  int low = 0, high = ItemCount() - 1;
  bool found = false;
  while (high >= low) {
    int middle = (low + high) / 2;
    int c = items_[std::size_t(middle)]->CompareWithValue(value);
    if (order == soDescending) c = -c;
    if (c < 0) {
      low = middle + 1;
    } else {
      high = middle - 1;
      if (c == 0) {
        low = middle;
        found = true;
      }
    }
  }
  index = low;
  return found;
}

TcxPivotGridGroupItem* TcxPivotGridGroupItem::CreateItem(int index, int recordIndex, TcxPivotGridField* field) {
  TcxPivotGridGroupItem* item = NewItem(field, recordIndex);
  index = std::clamp(index, 0, ItemCount());
  items_.insert(items_.begin() + index, item);
  item->index_ = index;
  return item;
}

void TcxPivotGridGroupItem::ReindexItems(bool recursive) {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    items_[i]->index_ = int(i);
    items_[i]->parent_ = this;
    if (recursive) items_[i]->ReindexItems(true);
  }
}

TcxPivotGridRecords* TcxPivotGridGroupItem::GetRecords() {
  auto* list = new TcxPivotGridRecords;
  if (!parent_) list->Reserve(int(builder_->RecordMap().size()));
  ForEachRecord([&](int r) { list->Add(r); });
  list->SetSorted(!parent_);
  return list;
}

void TcxPivotGridGroupItem::ExcludeRecords() {
  for (auto* c : items_) c->ExcludeRecords();
  for (int r : records_.List()) builder_->ExcludeRecord(r);
  if (recordIndex_ >= 0) builder_->ExcludeRecord(recordIndex_);
}

void TcxPivotGridGroupItem::MergeFrom(TcxPivotGridGroupItem* source) {
  std::vector<TcxPivotGridGroupItem*> added;
  for (auto* c : source->items_) {
    int index;
    if (FindItem(c->Value(), c->field_ ? c->field_->SortOrder() : soNone, index)) {
      items_[std::size_t(index)]->MergeFrom(c);
      delete c;
    } else {
      c->parent_ = this;
      added.push_back(c);
    }
  }
  source->items_.clear();
  if (!added.empty()) {
    // Placed in one pass instead of an insertion per child (wide levels stay linear-logarithmic).
    items_.insert(items_.end(), added.begin(), added.end());
    TcxDataSortOrder order = items_[0]->field_ ? items_[0]->field_->SortOrder() : soNone;
    cxPivotGridSafeSort(items_, [order](TcxPivotGridGroupItem* a, TcxPivotGridGroupItem* b) {
      int c = a->CompareWithValue(b->Value());
      return (order == soDescending ? -c : c) < 0;
    });
    ReindexItems(false);
  }
  if (source->records_.Count() > 0) {
    records_.List().insert(records_.List().end(), source->records_.List().begin(), source->records_.List().end());
    records_.SetSorted(false);
    source->records_.Clear();
  }
  builder_->InvalidateIndex();
}

void TcxPivotGridGroupItem::SetExpanded(bool value) {
  if (expanded_ == value) return;
  expanded_ = value;
  if (field_) field_->ItemExpandingChanged(this);
  TcxCustomPivotGrid* grid = PivotGrid();
  grid->LayoutChanged();
}

void TcxPivotGridGroupItem::SetExpandedForField(TcxPivotGridField* field, bool expanded) {
  TcxCustomPivotGrid* grid = PivotGrid();
  grid->BeginUpdate();
  try {
    if (field_ == field && field && !items_.empty()) {
      SetExpanded(expanded);
      field->ItemExpandingChanged(this);
    } else {
      for (auto* c : items_) c->SetExpandedForField(field, expanded);
    }
  } catch (...) {
    grid->EndUpdate();
    throw;
  }
  grid->EndUpdate();
}

TcxPivotGridGroupItem* TcxPivotGridGroupItem::PreviousItemAtLevel() {
  TcxPivotGridGroupItem* a = this;
  while (a && a->parent_ && a->index_ == 0) a = a->parent_;
  if (!a || !a->parent_) return nullptr;
  TcxPivotGridGroupItem* p = a->parent_->items_[std::size_t(a->index_ - 1)];
  int level = Level();
  while (p->Level() < level && !p->items_.empty()) p = p->items_.back();
  return p;
}

// ---- ordering --------------------------------------------------------------------------------------------

void TcxPivotGridGroupItem::CalculateSortValue(TcxPivotGridGroupItem* otherRoot) {
  TcxPivotGridCrossCell* cell = GetCrossCell(otherRoot);
  if (!cell) throw EcxPivotGrid(cxPivotGridResText("Invalid layout!"));
  TcxPivotGridSortBySummaryInfo* info = field_->SortBySummaryInfo();
  cell->GetSummaryValue(info->Field(), info->SummaryType(), sortValue_);
}

void TcxPivotGridGroupItem::SortBySummary(TcxPivotGridGroupItem* otherRoot) {
  ordered_ = true;
  if (items_.empty() || !items_[0]->field_ || !items_[0]->field_->SortBySummaryInfo()->IsActive()) return;
  for (auto* c : items_) c->CalculateSortValue(otherRoot);
  cxPivotGridSafeSort(items_, [](TcxPivotGridGroupItem* a, TcxPivotGridGroupItem* b) {
    if (a->IsOthers() != b->IsOthers()) return b->IsOthers();
    int c = CompareVariantValues(a->sortValue_, b->sortValue_);
    if (a->field_->SortOrder() == soDescending) c = -c;
    return c < 0;
  });
  ReindexItems(false);
  builder_->InvalidateIndex();
}

void TcxPivotGridGroupItem::ApplyTopValues() {
  ordered_ = true;
  if (items_.empty() || !items_[0]->field_) return;
  TcxPivotGridField* field = items_[0]->field_;
  int n = field->TopValueCount();
  if (n <= 0 || n >= ItemCount()) return;
  TcxPivotGridGroupItem* others = nullptr;
  if (field->TopValueShowOthers())
    others = NewItem(field, -2);
  else
    ordered_ = false;
  for (int i = ItemCount() - 1; i >= n; --i) {
    TcxPivotGridGroupItem* c = items_[std::size_t(i)];
    if (others)
      others->MergeFrom(c);
    else
      c->ExcludeRecords();
    delete c;
  }
  items_.resize(std::size_t(n));
  if (others) {
    others->index_ = n;
    items_.push_back(others);
    others->ReindexItems(false);
  }
  builder_->InvalidateIndex();
}

void TcxPivotGridGroupItem::ApplyOrdering(TcxPivotGridGroupItem* otherRoot) {
  SortBySummary(otherRoot);
  ApplyTopValues();
  for (std::size_t i = 0; i < items_.size(); ++i) items_[i]->ApplyOrdering(otherRoot);
  if (!ordered_) {
    if (parent_) parent_->ordered_ = false;
    MarkCellsStale(otherRoot);
    SortBySummary(otherRoot);
  }
}

// ---- row, column and data items -----------------------------------------------------------------------------

TcxPivotGridRowItem::~TcxPivotGridRowItem() { FreeCells(); }

void TcxPivotGridRowItem::FreeCells() {
  for (auto* c : crossCells_) delete c;
  crossCells_.clear();
  levelsDone_.clear();
  cellByColumn_.clear();
  lastColumn_ = nullptr;
  lastCell_ = nullptr;
}

bool TcxPivotGridRowItem::IsAlwaysExpanded() { return PivotGrid()->ViewData()->ExpandAllRows; }

int TcxPivotGridRowItem::GetSize() { return PivotGrid()->ViewInfo()->RowHeight(); }

TcxPivotGridGroupItem* TcxPivotGridRowItem::NewItem(TcxPivotGridField* field, int recordIndex) {
  return new TcxPivotGridRowItem(this, field, recordIndex, builder_);
}

void TcxPivotGridRowItem::MarkCellsStale(TcxPivotGridGroupItem*) {
  for (auto* c : crossCells_) c->SetCalculated(false);
  levelsDone_.clear();
}

void TcxPivotGridRowItem::MarkAllCellsStale() {
  MarkCellsStale(nullptr);
  for (auto* c : items_) static_cast<TcxPivotGridRowItem*>(c)->MarkAllCellsStale();
}

void TcxPivotGridRowItem::ClearItems() {
  // Cells of the items below are freed with them; the root's own cells go here.
  TcxPivotGridGroupItem::ClearItems();
  FreeCells();
}

// A few cells are searched in the list; a row with many gets a map, so that a wide table does
// not search its cells once per column.
constexpr std::size_t kCellMapThreshold = 16;

TcxPivotGridCrossCell* TcxPivotGridRowItem::FindCrossCell(TcxPivotGridGroupItem* column) {
  if (column == lastColumn_ && lastCell_) return lastCell_;
  if (crossCells_.size() <= kCellMapThreshold) {
    for (auto* c : crossCells_)
      if (c->ColumnItem() == column) return c;
    return nullptr;
  }
  auto it = cellByColumn_.find(column);
  return it == cellByColumn_.end() ? nullptr : it->second;
}

TcxPivotGridCrossCell* TcxPivotGridRowItem::ObtainCrossCell(TcxPivotGridGroupItem* column) {
  TcxPivotGridCrossCell* cell = FindCrossCell(column);
  if (!cell) {
    cell = new TcxPivotGridCrossCell(this, column);
    if (crossCells_.empty()) crossCells_.reserve(kCellMapThreshold);
    crossCells_.push_back(cell);
    if (crossCells_.size() == kCellMapThreshold + 1)
      for (auto* c : crossCells_) cellByColumn_.emplace(c->ColumnItem(), c);
    else if (crossCells_.size() > kCellMapThreshold + 1)
      cellByColumn_.emplace(column, cell);
  }
  lastColumn_ = column;
  lastCell_ = cell;
  return cell;
}

TcxPivotGridCrossCell* TcxPivotGridRowItem::GetCrossCell(TcxPivotGridGroupItem* column) {
  TcxPivotGridCrossCell* cell = ObtainCrossCell(column);
  cell->EnsureCalculated();
  return cell;
}

bool TcxPivotGridColumnItem::IsAlwaysExpanded() { return PivotGrid()->ViewData()->ExpandAllColumns; }

TcxPivotGridGroupItem* TcxPivotGridColumnItem::NewItem(TcxPivotGridField* field, int recordIndex) {
  return new TcxPivotGridColumnItem(this, field, recordIndex, builder_);
}

void TcxPivotGridColumnItem::MarkCellsStale(TcxPivotGridGroupItem* rowRoot) {
  if (rowRoot) rowRoot->MarkCellsStale(nullptr);
}

TcxPivotGridCrossCell* TcxPivotGridColumnItem::GetCrossCell(TcxPivotGridGroupItem* row) {
  return row ? row->GetCrossCell(this) : nullptr;
}

int TcxPivotGridDataItem::GetSize() {
  if (PivotGrid()->OptionsDataField()->Area() == dfaRow) return PivotGrid()->ViewInfo()->RowHeight();
  return TcxPivotGridGroupItem::GetSize();
}

void TcxPivotGridDataItem::GetValue(Variant& value) {
  value = field_->Caption();
  displayText_ = field_->Caption();
}

// ---- the builder -----------------------------------------------------------------------------------------------

TcxPivotGridDataBuilder::TcxPivotGridDataBuilder(TcxCustomPivotGrid* grid)
    : grid_(grid),
      columnRoot_(std::make_unique<TcxPivotGridColumnItem>(nullptr, nullptr, -1, this)),
      dataRoot_(std::make_unique<TcxPivotGridGroupItem>(nullptr, nullptr, -1, this)),
      rowRoot_(std::make_unique<TcxPivotGridRowItem>(nullptr, nullptr, -1, this)) {}

TcxPivotGridDataBuilder::~TcxPivotGridDataBuilder() = default;

TcxCustomDataController* TcxPivotGridDataBuilder::DataController() const { return grid_->DataController(); }

void TcxPivotGridDataBuilder::ExcludeRecord(int r) {
  if (r < 0 || std::size_t(r) >= recordMap_.size()) return;
  if (recordMap_[std::size_t(r)] >= 0) {
    recordMap_[std::size_t(r)] = -1;
    excludedAny_ = true;
    indexValid_ = false;
  }
}

void TcxPivotGridDataBuilder::Clear() {
  ++clearCount_;
  columnFields_.Clear();
  dataFields_.Clear();
  fields_.Clear();
  filterFields_.Clear();
  rowFields_.Clear();
  recordMap_.clear();
  rowRoot_->ClearItems();
  columnRoot_->ClearItems();
  dataRoot_->ClearItems();
  grid_->SummaryFields().Clear();
  grid_->SetHasVariationFields(false);
  // The large per-record arrays keep their memory from one build to the next.
  for (auto it = fieldValues_.begin(); it != fieldValues_.end();) {
    if (grid_->IndexOfField(it->first) < 0) {
      it = fieldValues_.erase(it);
    } else {
      it->second.Loaded = it->second.PositionsValid = it->second.ResultTypesKnown = false;
      ++it;
    }
  }
  rowLeafOf_.clear();
  columnLeafOf_.clear();
  indexValid_ = false;
  excludedAny_ = false;
}

void TcxPivotGridDataBuilder::RegisterSummaryField(TcxPivotGridField* field) {
  TcxPivotGridFields& list = grid_->SummaryFields();
  int i = list.IndexOf(field);
  if (i < 0) {
    list.Add(field);
    i = list.Count() - 1;
  }
  field->SetSummaryIndex(i);
  if (field->SummaryVariation() != svNone) grid_->SetHasVariationFields(true);
}

void TcxPivotGridDataBuilder::DistributeFields() {
  fields_.Clear();
  for (int i = 0; i < grid_->FieldCount(); ++i) fields_.Add(grid_->Fields(i));
  fields_.Sort();
  int counters[4] = {0, 0, 0, 0};
  for (int i = 0; i < fields_.Count(); ++i) fields_[i]->SetSummaryIndex(-1);
  for (int i = 0; i < fields_.Count(); ++i) {
    TcxPivotGridField* f = fields_[i];
    TcxPivotGridFields* target = f->Area() == faColumn ? &columnFields_
                                 : f->Area() == faRow  ? &rowFields_
                                 : f->Area() == faFilter ? &filterFields_
                                                        : &dataFields_;
    if (f->Area() == faData) RegisterSummaryField(f);
    if (TcxPivotGridField* s = f->SortBySummaryInfo()->Field())
      if (grid_->IndexOfField(s) >= 0) RegisterSummaryField(s);
    f->StoreAreaIndex(counters[f->Area()]++);
    if (f->IsShownInView()) target->Add(f);
  }
  // The "Data" header takes its place among the fields of its area.
  TcxPivotGridOptionsDataField* df = grid_->OptionsDataField();
  if (dataFields_.Count() >= 2 && df->Area() != dfaNone && df->AreaIndex() >= 0) {
    TcxPivotGridFieldArea area = df->Area() == dfaColumn ? faColumn : faRow;
    for (int i = 0; i < fields_.Count(); ++i) {
      TcxPivotGridField* f = fields_[i];
      if (f->Area() == area && f->AreaIndex() >= df->AreaIndex()) f->StoreAreaIndex(f->AreaIndex() + 1);
    }
  }
}

void TcxPivotGridDataBuilder::FilterRecords() {
  std::vector<TcxPivotGridField*> candidates;
  for (int i = 0; i < fields_.Count(); ++i)
    if (fields_[i]->Area() != faData && fields_[i]->Filter()->IsActive()) candidates.push_back(fields_[i]);
  if (candidates.empty()) return;
  for (std::size_t r = 0; r < recordMap_.size(); ++r)
    for (auto* f : candidates)
      if (!f->PassesFilter(int(r))) {
        recordMap_[r] = -1;
        break;
      }
}

namespace {

// Identity of a group value for the grouping hash: the same kind and the same payload. Values of
// different kinds that compare equal are joined afterwards by the children's sort.
struct TValueKeyHash {
  std::size_t operator()(const Variant& v) const {
    TVarType t = v.VarType();
    if (v.IsString()) return std::hash<std::string>()(v.StrRef()) ^ 0x9e37;
    switch (t) {
      case varEmpty:
      case varNull: return 1;
      case varSingle:
      case varDouble:
      case varDate: {
        double d = v.AsDouble();
        uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        // Single and double are one kind to the equality below, so they must hash alike.
        return std::hash<uint64_t>()(bits) ^ (t == varDate ? 4 : 3);
      }
      case varCurrency: return std::hash<int64_t>()(v.AsCurrency().Raw()) ^ t;
      case varBoolean: return v.AsBoolean() ? 3 : 5;
      default:
        if (VarIsOrdinal(v)) return std::hash<int64_t>()(v.AsInt64());
        return 7;
    }
  }
};

struct TValueKeyEqual {
  static int Kind(const Variant& v) {
    if (v.IsString()) return 1;
    switch (v.VarType()) {
      case varEmpty:
      case varNull: return 2;
      case varSingle:
      case varDouble: return 3;
      case varDate: return 4;
      case varCurrency: return 5;
      case varBoolean: return 6;
      default: return VarIsOrdinal(v) ? 7 : 8;
    }
  }
  bool operator()(const Variant& a, const Variant& b) const {
    int k = Kind(a);
    if (k != Kind(b)) return false;
    switch (k) {
      case 1: return a.StrRef() == b.StrRef();
      case 2: return true;
      case 3:
      case 4: {
        double x = a.AsDouble(), y = b.AsDouble();
        return std::memcmp(&x, &y, sizeof x) == 0;
      }
      case 5: return a.AsCurrency().Raw() == b.AsCurrency().Raw();
      case 6: return a.AsBoolean() == b.AsBoolean();
      case 7: return a.AsInt64() == b.AsInt64();
      default: return false;
    }
  }
};

struct TChildKey {
  TcxPivotGridGroupItem* Parent;
  int Id;
  bool operator==(const TChildKey& o) const { return Parent == o.Parent && Id == o.Id; }
};

struct TChildKeyHash {
  std::size_t operator()(const TChildKey& k) const {
    uint64_t x = reinterpret_cast<uintptr_t>(k.Parent) ^ (uint64_t(uint32_t(k.Id)) << 32);
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    return std::size_t(x);
  }
};

// Group value ids of one level: small ordinal values through a table, others through a hash.
class TValueIds {
 public:
  int Get(const Variant& v) {
    if (VarIsOrdinal(v) && v.VarType() != varBoolean) {
      Int64 x = v.AsInt64();
      if (x >= kLow && x < kHigh) {
        std::size_t i = std::size_t(x - kLow);
        if (i >= table_.size()) table_.resize(std::max(i + 1, table_.size() * 2), -1);
        int& id = table_[i];
        if (id < 0) id = next_++;
        return id;
      }
    }
    auto it = map_.find(v);
    if (it != map_.end()) return it->second;
    return map_.emplace(v, next_++).first->second;
  }

 private:
  static constexpr Int64 kLow = -1024, kHigh = 1 << 20;
  std::vector<int> table_;
  std::unordered_map<Variant, int, TValueKeyHash, TValueKeyEqual> map_;
  int next_ = 0;
};

}  // namespace

void TcxPivotGridDataBuilder::BuildGroups(TcxPivotGridFields& fields, TcxPivotGridGroupItem* root) {
  int recordCount = DataController()->GetRecordCount();
  if (recordCount == 0 || dataFields_.Count() == 0 || fields.Count() == 0) return;
  const std::size_t levels = std::size_t(fields.Count());
  // Each record finds its item per level through a hash of the group value, and each new
  // (parent, value) pair creates an item at the end of its parent; the children are ordered
  // once afterwards, which keeps wide levels free of insertions in the middle.
  std::vector<TValueIds> ids(levels);
  // A child is found by its value id in a table of its parent (small ids) or in a hash.
  std::vector<std::unordered_map<TChildKey, TcxPivotGridGroupItem*, TChildKeyHash>> children(levels);
  constexpr int kTableIds = 4096;
  std::vector<Variant> values(levels);
  // The leaves get serials as they are created, and each record notes its leaf's serial; the
  // leaves' record lists are filled afterwards in one counting pass, instead of appending to a
  // scattered leaf per record.
  std::vector<TcxPivotGridGroupItem*> leaves;
  std::vector<int> leafOfRecord(std::size_t(recordCount), -1);
  std::unordered_map<TChildKey, int, TChildKeyHash> wideLeafSerials;
  const std::size_t last = levels - 1;
  for (int r = 0; r < recordCount; ++r) {
    if (recordMap_[std::size_t(r)] < 0) continue;
    TcxPivotGridGroupItem* item = root;
    int serial = -1;
    for (std::size_t i = 0; i < levels; ++i) {
      TcxPivotGridField* field = fields[int(i)];
      field->GetGroupValue(r, values[i]);
      int id = ids[i].Get(values[i]);
      TcxPivotGridGroupItem* child = nullptr;
      std::vector<TcxPivotGridGroupItem*>& table = item->childById_;
      if (id < kTableIds && std::size_t(id) < table.size()) {
        child = table[std::size_t(id)];
        if (child && i == last) serial = item->leafSerialById_[std::size_t(id)];
      } else if (id >= kTableIds) {
        auto it = children[i].find(TChildKey{item, id});
        if (it != children[i].end()) {
          child = it->second;
          if (i == last) serial = wideLeafSerials[TChildKey{item, id}];
        }
      }
      if (!child) {
        child = item->NewItem(field, r);
        child->index_ = item->ItemCount();
        item->items_.push_back(child);
        child->value_ = values[i];
        child->valueCached_ = true;
        TcxPivotGridVariantList* collapsed = field->CollapsedValues();
        child->expanded_ = collapsed->Count() == 0 || collapsed->IndexOf(child->value_) < 0;
        if (i == last) {
          serial = int(leaves.size());
          leaves.push_back(child);
        }
        if (id < kTableIds) {
          if (std::size_t(id) >= table.size()) table.resize(std::size_t(id) + 1, nullptr);
          table[std::size_t(id)] = child;
          if (i == last) {
            if (std::size_t(id) >= item->leafSerialById_.size()) item->leafSerialById_.resize(std::size_t(id) + 1, -1);
            item->leafSerialById_[std::size_t(id)] = serial;
          }
        } else {
          children[i].emplace(TChildKey{item, id}, child);
          if (i == last) wideLeafSerials.emplace(TChildKey{item, id}, serial);
        }
      }
      item = child;
    }
    leafOfRecord[std::size_t(r)] = serial;
  }
  // Counting pass: each leaf's records, ascending, as one slice of the records ordered by leaf.
  std::vector<int> start(leaves.size() + 1, 0);
  for (int s : leafOfRecord)
    if (s >= 0) ++start[std::size_t(s) + 1];
  for (std::size_t s = 1; s < start.size(); ++s) start[s] += start[s - 1];
  std::vector<int> ordered(std::size_t(start.back()));
  std::vector<int> next(start.begin(), start.end() - 1);
  for (int r = 0; r < recordCount; ++r)
    if (int s = leafOfRecord[std::size_t(r)]; s >= 0) ordered[std::size_t(next[std::size_t(s)]++)] = r;
  for (std::size_t s = 0; s < leaves.size(); ++s) {
    std::vector<int>& list = leaves[s]->records_.List();
    list.insert(list.end(), ordered.begin() + start[s], ordered.begin() + start[s + 1]);
  }
  for (auto& m : children) m.clear();
  SortAndMergeChildren(root);
}

void TcxPivotGridDataBuilder::SortAndMergeChildren(TcxPivotGridGroupItem* item) {
  std::vector<TcxPivotGridGroupItem*>().swap(item->childById_);
  std::vector<int>().swap(item->leafSerialById_);
  std::vector<TcxPivotGridGroupItem*>& items = item->items_;
  if (items.empty()) {
    item->records_.Sort();
    return;
  }
  TcxDataSortOrder order = items[0]->field_->SortOrder();
  auto compare = [order](TcxPivotGridGroupItem* a, TcxPivotGridGroupItem* b) {
    int c = a->CompareWithValue(b->Value());
    return order == soDescending ? -c : c;
  };
  cxPivotGridSafeSort(items, [&](TcxPivotGridGroupItem* a, TcxPivotGridGroupItem* b) { return compare(a, b) < 0; });
  // Neighbours that compare equal (values of different kinds, a compare handler) are one group:
  // the earlier-created item keeps the later one's children and records.
  std::vector<TcxPivotGridGroupItem*> kept;
  kept.reserve(items.size());
  for (auto* c : items) {
    if (!kept.empty() && compare(kept.back(), c) == 0) {
      TcxPivotGridGroupItem* k = kept.back();
      if (c->recordIndex_ < k->recordIndex_) std::swap(k->recordIndex_, c->recordIndex_), std::swap(k->value_, c->value_);
      for (auto* g : c->items_) g->parent_ = k;
      k->items_.insert(k->items_.end(), c->items_.begin(), c->items_.end());
      c->items_.clear();
      k->records_.List().insert(k->records_.List().end(), c->records_.List().begin(), c->records_.List().end());
      k->records_.SetSorted(false);
      delete c;
    } else {
      kept.push_back(c);
    }
  }
  items.swap(kept);
  item->ReindexItems(false);
  for (auto* c : items) SortAndMergeChildren(c);
}

void TcxPivotGridDataBuilder::Order(TcxPivotGridFields& fields, TcxPivotGridGroupItem* root, TcxPivotGridGroupItem* other) {
  root->ReindexItems(true);
  bool needed = false;
  for (int i = 0; i < fields.Count(); ++i)
    if (fields[i]->SortBySummaryInfo()->IsActive() || fields[i]->TopValueCount() > 0) needed = true;
  if (needed) root->ApplyOrdering(other);
}

void TcxPivotGridDataBuilder::Build() {
  Clear();
  grid_->SetToday(Date());
  int n = DataController()->GetRecordCount();
  recordMap_.resize(std::size_t(n));
  for (int i = 0; i < n; ++i) recordMap_[std::size_t(i)] = i;
  DistributeFields();
  FilterRecords();
  BuildRows();
  BuildColumns();
  for (int i = 0; i < dataFields_.Count(); ++i) {
    TcxPivotGridGroupItem* d = new TcxPivotGridDataItem(dataRoot_.get(), dataFields_[i], -1, this);
    d->index_ = i;
    dataRoot_->items_.push_back(d);
  }
  Order(rowFields_, rowRoot_.get(), columnRoot_.get());
  Order(columnFields_, columnRoot_.get(), rowRoot_.get());
  // Cells computed while ordering must not keep records that a later top-values cut excluded.
  if (excludedAny_) rowRoot_->MarkAllCellsStale();
}

// ---- record membership -------------------------------------------------------------------------------------------

void TcxPivotGridDataBuilder::NumberTree(TcxPivotGridGroupItem* root, std::vector<int>& leafOf) {
  leafOf.assign(recordMap_.size(), -1);
  int counter = 0;
  // Iterative pre-order walk: deep trees do not use the stack.
  struct TFrame {
    TcxPivotGridGroupItem* Item;
    std::size_t Next;
  };
  std::vector<TFrame> stack{{root, 0}};
  root->first_ = counter++;
  root->recordCount_ = 0;
  while (!stack.empty()) {
    TFrame& f = stack.back();
    TcxPivotGridGroupItem* item = f.Item;
    if (f.Next < item->items_.size()) {
      TcxPivotGridGroupItem* c = item->items_[f.Next++];
      c->first_ = counter++;
      c->recordCount_ = 0;
      if (c->items_.empty()) {
        for (int r : c->records_.List())
          if (recordMap_[std::size_t(r)] >= 0) {
            leafOf[std::size_t(r)] = c->first_;
            ++c->recordCount_;
          }
        c->last_ = c->first_;
        item->recordCount_ += c->recordCount_;
      } else {
        stack.push_back({c, 0});
      }
    } else {
      item->last_ = counter - 1;
      stack.pop_back();
      if (!stack.empty()) stack.back().Item->recordCount_ += item->recordCount_;
    }
  }
  int total = 0;
  for (int m : recordMap_)
    if (m >= 0) ++total;
  root->recordCount_ = total;
}

void TcxPivotGridDataBuilder::EnsureIndex() {
  if (indexValid_) return;
  NumberTree(rowRoot_.get(), rowLeafOf_);
  NumberTree(columnRoot_.get(), columnLeafOf_);
  MapColumnLevels();
  // The row order and the column serials along it.
  rowOrder_.clear();
  rowOrder_.reserve(recordMap_.size());
  std::vector<std::pair<TcxPivotGridGroupItem*, std::size_t>> stack{{rowRoot_.get(), 0}};
  rowRoot_->positionBegin_ = 0;
  while (!stack.empty()) {
    auto& [item, next] = stack.back();
    if (next == 0) item->positionBegin_ = int(rowOrder_.size());
    if (item->items_.empty() || next >= item->items_.size()) {
      if (item->items_.empty() && item->parent_) {
        for (int r : item->records_.List())
          if (recordMap_[std::size_t(r)] >= 0) rowOrder_.push_back(r);
      } else if (item->items_.empty()) {
        // A row tree without items: the root holds every record.
        for (std::size_t r = 0; r < recordMap_.size(); ++r)
          if (recordMap_[r] >= 0) rowOrder_.push_back(int(r));
      }
      item->positionEnd_ = int(rowOrder_.size());
      stack.pop_back();
    } else {
      TcxPivotGridGroupItem* c = item->items_[next++];
      stack.push_back({c, 0});
    }
  }
  if (columnSerialByPos_.size() < columnLevelCounts_.size()) columnSerialByPos_.resize(columnLevelCounts_.size());
  for (std::size_t l = 0; l < columnLevelCounts_.size(); ++l) {
    std::vector<int>& serials = columnSerialByPos_[l];
    serials.resize(rowOrder_.size());
    for (std::size_t p = 0; p < rowOrder_.size(); ++p) {
      TcxPivotGridGroupItem* c = columnPath_[l][std::size_t(rowOrder_[p])];
      serials[p] = c ? c->levelSerial_ : -1;
    }
  }
  for (auto& [field, values] : fieldValues_) values.PositionsValid = false;
  indexValid_ = true;
}

TcxPivotGridDataBuilder::TFieldValues& TcxPivotGridDataBuilder::PositionedValues(TcxPivotGridField* field) {
  EnsureIndex();
  TFieldValues& v = FieldValues(field);
  if (!v.PositionsValid) {
    v.NumberByPosition.resize(rowOrder_.size());
    v.KindByPosition.resize(rowOrder_.size());
    for (std::size_t p = 0; p < rowOrder_.size(); ++p) {
      v.NumberByPosition[p] = v.Number[std::size_t(rowOrder_[p])];
      v.KindByPosition[p] = v.Kind[std::size_t(rowOrder_[p])];
    }
    v.PositionsValid = true;
  }
  return v;
}

void TcxPivotGridDataBuilder::MapColumnLevels() {
  // The level arrays keep their memory; only the levels in use (columnLevelCounts_) are filled.
  columnLevelCounts_.clear();
  std::vector<std::pair<TcxPivotGridGroupItem*, int>> stack;
  for (auto it = columnRoot_->items_.rbegin(); it != columnRoot_->items_.rend(); ++it) stack.push_back({*it, 0});
  while (!stack.empty()) {
    auto [item, level] = stack.back();
    stack.pop_back();
    if (int(columnLevelCounts_.size()) <= level) {
      columnLevelCounts_.resize(std::size_t(level) + 1, 0);
      std::size_t levels = std::size_t(level) + 1;
      if (columnPath_.size() < levels) columnPath_.resize(levels);
      columnPath_[levels - 1].assign(recordMap_.size(), nullptr);
    }
    item->levelSerial_ = columnLevelCounts_[std::size_t(level)]++;
    if (item->items_.empty()) {
      for (int r : item->records_.List()) {
        if (recordMap_[std::size_t(r)] < 0) continue;
        int l = level;
        for (TcxPivotGridGroupItem* a = item; a && a->parent_; a = a->parent_) columnPath_[std::size_t(l--)][std::size_t(r)] = a;
      }
    } else {
      for (auto it = item->items_.rbegin(); it != item->items_.rend(); ++it) stack.push_back({*it, level + 1});
    }
  }
}

bool TcxPivotGridDataBuilder::ItemContainsRecord(const TcxPivotGridGroupItem* item, bool rowTree, int record) const {
  if (!item->parent_) return true;
  int leaf = (rowTree ? rowLeafOf_ : columnLeafOf_)[std::size_t(record)];
  return leaf >= item->first_ && leaf <= item->last_;
}

TcxPivotGridDataBuilder::TFieldValues& TcxPivotGridDataBuilder::FieldValues(TcxPivotGridField* field) {
  TFieldValues& v = fieldValues_[field];
  if (v.Loaded) return v;
  int n = int(recordMap_.size());
  bool grouped = field->GroupInterval() != giDefault;
  v.Number.assign(std::size_t(n), 0);
  v.Kind.assign(std::size_t(n), 1);
  if (grouped) v.Raw.assign(std::size_t(n), Variant());
  for (int r = 0; r < n; ++r) {
    Variant x;
    if (grouped) {
      field->GetGroupValue(r, x);
      v.Raw[std::size_t(r)] = x;
      if (!IsNumericOrBcdVariant(x)) x = 0;
    } else {
      field->GetRecordValue(r, x);
    }
    if (IsNumericOrBcdVariant(x)) {
      if (x.VarType() == varSQLTimeStamp) x = VarFromDateTime(x.AsDateTime());
      v.Kind[std::size_t(r)] = 0;
      TVarType t = x.VarType();
      v.Number[std::size_t(r)] = t == varInt64 || t == varLongWord ? (long double)x.AsInt64()
                                 : t == varCurrency               ? (long double)x.AsCurrency().Raw() / 10000.0L
                                                                  : (long double)x.AsDouble();
    } else {
      v.Kind[std::size_t(r)] = x.IsNull() ? 1 : 2;
    }
  }
  v.Loaded = true;
  return v;
}
