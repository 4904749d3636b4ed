// Registered repository items: a table of (key, version) to repository item with default
// items, and its use as the default editor per data value type.
#pragma once

#include <vector>

#include "data/cxDataStorage.h"
#include "editors/cxEdit.h"

struct TcxEditRegisteredRepositoryItemsData {
  NativeInt Key = 0;
  Integer Version = 0;
  TcxEditRepositoryItem* Item = nullptr;
};
using TcxEditRegisteredRepositoryItemsDataArray = std::vector<TcxEditRegisteredRepositoryItemsData>;

class TcxEditRegisteredRepositoryItems : public TcxInterfacedPersistent, public IcxEditItemListener {
  KORVAN_CLASS(TcxEditRegisteredRepositoryItems, TcxInterfacedPersistent)

 public:
  explicit TcxEditRegisteredRepositoryItems(TPersistent* owner) : TcxInterfacedPersistent(owner) {}
  ~TcxEditRegisteredRepositoryItems() override;

  void ItemRemoved(TcxEditRepositoryItem* item) override { ForgetItem(item); }
  void ItemPropertiesChanged(TcxEditRepositoryItem* item) override { RepositoryItemUpdated(item); }

  virtual void ForgetItem(TcxEditRepositoryItem* item);
  virtual void RepositoryItemUpdated(TcxEditRepositoryItem* item) { NotifyRegistryChanged(); }
  virtual Integer InsertSorted(TcxEditRegisteredRepositoryItemsDataArray& entries, NativeInt key,
                               TcxEditRepositoryItem* item, Integer version);
  virtual void NotifyRegistryChanged() {}
  virtual TcxEditRepositoryItem* FirstDefaultItem();
  virtual TcxEditRepositoryItem* FindItemByKey(NativeInt key);
  virtual void AddDefaultEntry(Integer version, TcxEditRepositoryItem* item);
  virtual void AddItemEntry(NativeInt key, Integer version, TcxEditRepositoryItem* item);
  virtual void RemoveDefaultEntry(Integer version);
  virtual void RemoveItemByKey(NativeInt key, Integer version);

  const TcxEditRegisteredRepositoryItemsDataArray& DefaultEntries() const { return defaults_; }
  const TcxEditRegisteredRepositoryItemsDataArray& ItemEntries() const { return items_; }

 protected:
  // Binary search in descending (key, version) order; a version of 2147483647 matches any.
  bool Find(const TcxEditRegisteredRepositoryItemsDataArray& entries, NativeInt key, Integer version,
            size_t& index) const;
  void RemoveAt(TcxEditRegisteredRepositoryItemsDataArray& entries, size_t index);

 private:
  TcxEditRegisteredRepositoryItemsDataArray defaults_;
  TcxEditRegisteredRepositoryItemsDataArray items_;
  bool destroying_ = false;
};

// The default editor per value type: the key of a value type class is its address.
class TcxEditDataRegisteredRepositoryItems : public TcxEditRegisteredRepositoryItems {
  KORVAN_CLASS(TcxEditDataRegisteredRepositoryItems, TcxEditRegisteredRepositoryItems)

 public:
  using TcxEditRegisteredRepositoryItems::TcxEditRegisteredRepositoryItems;
  TcxEditRepositoryItem* ItemForValueType(TcxValueTypeClass value_type) {
    return FindItemByKey(KeyOf(value_type));
  }
  void RegisterValueTypeItem(TcxValueTypeClass value_type, Integer version, TcxEditRepositoryItem* item) {
    AddItemEntry(KeyOf(value_type), version, item);
  }
  void UnregisterValueTypeItem(TcxValueTypeClass value_type, Integer version) {
    RemoveItemByKey(KeyOf(value_type), version);
  }

 private:
  // The class's address, pointer-sized.
  static NativeInt KeyOf(TcxValueTypeClass value_type) {
    return reinterpret_cast<NativeInt>(value_type);
  }
};

// The singleton; its unit start registers the default text item (value types of kinds still
// to come get it too).
TcxEditDataRegisteredRepositoryItems* DataEditorRegistry();
void InitializeCxEditRegisteredRepositoryItems();
