#include "editors/cxEditRegisteredRepositoryItems.h"

#include "editors/cxEditRepositoryItems.h"

KORVAN_IMPLEMENT_CLASS(TcxEditRegisteredRepositoryItems)
KORVAN_IMPLEMENT_CLASS(TcxEditDataRegisteredRepositoryItems)

namespace {
TcxEditDataRegisteredRepositoryItems* dataEditorRegistry = nullptr;
constexpr Integer kAnyVersion = 2147483647;
}  // namespace

TcxEditRegisteredRepositoryItems::~TcxEditRegisteredRepositoryItems() {
  destroying_ = true;
  while (!defaults_.empty()) RemoveAt(defaults_, defaults_.size() - 1);
  while (!items_.empty()) RemoveAt(items_, items_.size() - 1);
}

bool TcxEditRegisteredRepositoryItems::Find(const TcxEditRegisteredRepositoryItemsDataArray& entries,
                                            NativeInt key, Integer version, size_t& index) const {
  size_t lo = 0, hi = entries.size();
  while (lo < hi) {
    const size_t mid = (lo + hi) / 2;
    const auto& e = entries[mid];
    // Descending: a larger key (then a larger version) comes first.
    int cmp = e.Key > key ? -1 : e.Key < key ? 1 : 0;
    if (cmp == 0 && version != kAnyVersion) cmp = e.Version > version ? -1 : e.Version < version ? 1 : 0;
    if (cmp == 0) {
      index = mid;
      return true;
    }
    if (cmp < 0) lo = mid + 1;
    else hi = mid;
  }
  index = lo;
  return false;
}

Integer TcxEditRegisteredRepositoryItems::InsertSorted(TcxEditRegisteredRepositoryItemsDataArray& entries,
                                                       NativeInt key, TcxEditRepositoryItem* item,
                                                       Integer version) {
  size_t index = 0;
  if (Find(entries, key, version, index)) return Integer(index);
  entries.insert(entries.begin() + long(index), {key, version, item});
  if (item) item->AddListener(this);
  NotifyRegistryChanged();
  return Integer(index);
}

void TcxEditRegisteredRepositoryItems::RemoveAt(TcxEditRegisteredRepositoryItemsDataArray& entries,
                                                size_t index) {
  TcxEditRepositoryItem* item = entries[index].Item;
  entries.erase(entries.begin() + long(index));
  // The registry keeps listening while another entry still names the item.
  bool still_used = false;
  for (const auto* list : {&defaults_, &items_})
    for (const auto& e : *list) still_used |= e.Item == item;
  if (item && !still_used) item->RemoveListener(this);
  if (!destroying_) NotifyRegistryChanged();
}

void TcxEditRegisteredRepositoryItems::ForgetItem(TcxEditRepositoryItem* item) {
  for (auto* list : {&defaults_, &items_})
    for (size_t i = list->size(); i-- > 0;)
      if ((*list)[i].Item == item) RemoveAt(*list, i);
}

TcxEditRepositoryItem* TcxEditRegisteredRepositoryItems::FirstDefaultItem() {
  return defaults_.empty() ? nullptr : defaults_.front().Item;
}

TcxEditRepositoryItem* TcxEditRegisteredRepositoryItems::FindItemByKey(NativeInt key) {
  size_t index = 0;
  if (key != 0 && Find(items_, key, kAnyVersion, index)) return items_[index].Item;
  return FirstDefaultItem();
}

void TcxEditRegisteredRepositoryItems::AddDefaultEntry(Integer version, TcxEditRepositoryItem* item) {
  InsertSorted(defaults_, 0, item, version);
}

void TcxEditRegisteredRepositoryItems::AddItemEntry(NativeInt key, Integer version,
                                                    TcxEditRepositoryItem* item) {
  InsertSorted(items_, key, item, version);
}

void TcxEditRegisteredRepositoryItems::RemoveDefaultEntry(Integer version) {
  size_t index = 0;
  if (Find(defaults_, 0, version, index)) RemoveAt(defaults_, index);
}

void TcxEditRegisteredRepositoryItems::RemoveItemByKey(NativeInt key, Integer version) {
  size_t index = 0;
  if (Find(items_, key, version, index)) RemoveAt(items_, index);
}

TcxEditDataRegisteredRepositoryItems* DataEditorRegistry() {
  InitializeCxEditRegisteredRepositoryItems();
  if (!dataEditorRegistry) dataEditorRegistry = new TcxEditDataRegisteredRepositoryItems(nullptr);
  return dataEditorRegistry;
}

void InitializeCxEditRegisteredRepositoryItems() {
  InitUnit(
      "cxEditRegisteredRepositoryItems",
      [] {
        InitializeCxEditRepositoryItems();
        // The default editor is the mask item; the kinds of the additional editors register
        // theirs with their units (until then every value type gets it).
        DataEditorRegistry()->AddDefaultEntry(
            -1, DefaultEditRepository()->CreateItem(TcxEditRepositoryMaskItem::StaticClass()));
      },
      [] {
        if (dataEditorRegistry) dataEditorRegistry->RemoveDefaultEntry(-1);
        delete dataEditorRegistry;
        dataEditorRegistry = nullptr;
      });
}
