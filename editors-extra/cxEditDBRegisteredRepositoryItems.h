// The default editor of a data-set field: per field type, with entries of their own for
// currency fields and lookup fields; a field without an entry gets the default item.
#pragma once

#include "db/DB.h"
#include "editors/cxEditRegisteredRepositoryItems.h"

class TcxEditDBRegisteredRepositoryItems : public TcxEditRegisteredRepositoryItems {
  KORVAN_CLASS(TcxEditDBRegisteredRepositoryItems, TcxEditRegisteredRepositoryItems)

 public:
  using TcxEditRegisteredRepositoryItems::TcxEditRegisteredRepositoryItems;
  ~TcxEditDBRegisteredRepositoryItems() override;

  TcxEditRepositoryItem* GetItemByField(TField* field);
  TcxEditRepositoryItem* GetItemByDataType(TFieldType dataType);
  void RegisterItem(TFieldType dataType, Integer version, TcxEditRepositoryItem* item);
  void UnregisterItem(TFieldType dataType, Integer version);
  void RegisterDefaultItem(Integer version, TcxEditRepositoryItem* item) { AddDefaultEntry(version, item); }
  void UnregisterDefaultItem(Integer version) { RemoveDefaultEntry(version); }
  Integer RegisterCurrencyItem(Integer version, TcxEditRepositoryItem* item);
  Integer RegisterLookupItem(Integer version, TcxEditRepositoryItem* item);
  void ForgetItem(TcxEditRepositoryItem* item) override;
  void Clear();

  const TcxEditRegisteredRepositoryItemsDataArray& CurrencyEntries() const { return currency_; }
  const TcxEditRegisteredRepositoryItemsDataArray& LookupEntries() const { return lookup_; }

 private:
  // The per-type key: the type's ordinal with its high bit cleared.
  static NativeInt KeyOf(TFieldType dataType) { return NativeInt(Integer(dataType) & 0x7F); }

  TcxEditRegisteredRepositoryItemsDataArray currency_;
  TcxEditRegisteredRepositoryItemsDataArray lookup_;
};

// The process-wide registry, made on first use; the unit start registers the editors that
// exist (the text item as the default until the mask edit comes).
TcxEditDBRegisteredRepositoryItems* GetDefaultEditDBRepositoryItems();
void InitializeCxEditDBRegisteredRepositoryItems();
