#include "editors-extra/cxEditDBRegisteredRepositoryItems.h"

#include "editors-extra/cxBlobEdit.h"
#include "editors-extra/cxCalendar.h"
#include "editors-extra/cxCurrencyEdit.h"
#include "editors-extra/cxMemo.h"

#include "editors/cxEditRepositoryItems.h"
#include "rtl/TypInfo.h"

KORVAN_IMPLEMENT_CLASS(TcxEditDBRegisteredRepositoryItems)

namespace {
TcxEditDBRegisteredRepositoryItems* dbEditorRegistry = nullptr;
}  // namespace

TcxEditDBRegisteredRepositoryItems::~TcxEditDBRegisteredRepositoryItems() { Clear(); }

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::GetItemByField(TField* field) {
  if (!field) return FirstDefaultItem();
  if (field->Lookup()) return lookup_.empty() ? FirstDefaultItem() : lookup_.front().Item;
  if (dynamic_cast<TNumericField*>(field)) {
    // Any numeric field class with a published Boolean "Currency" that is set.
    if (PPropInfo info = GetPropInfo(field, "Currency");
        info && info->PropType == TypeInfoBoolean() && GetOrdProp(field, info) != 0)
      return currency_.empty() ? FirstDefaultItem() : currency_.front().Item;
  }
  return GetItemByDataType(field->DataType());
}

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::GetItemByDataType(TFieldType dataType) {
  return FindItemByKey(KeyOf(dataType));
}

void TcxEditDBRegisteredRepositoryItems::RegisterItem(TFieldType dataType, Integer version,
                                                      TcxEditRepositoryItem* item) {
  AddItemEntry(KeyOf(dataType), version, item);
}

void TcxEditDBRegisteredRepositoryItems::UnregisterItem(TFieldType dataType, Integer version) {
  RemoveItemByKey(KeyOf(dataType), version);
}

Integer TcxEditDBRegisteredRepositoryItems::RegisterCurrencyItem(Integer version, TcxEditRepositoryItem* item) {
  return InsertSorted(currency_, 0, item, version);
}

Integer TcxEditDBRegisteredRepositoryItems::RegisterLookupItem(Integer version, TcxEditRepositoryItem* item) {
  return InsertSorted(lookup_, 0, item, version);
}

void TcxEditDBRegisteredRepositoryItems::ForgetItem(TcxEditRepositoryItem* item) {
  TcxEditRegisteredRepositoryItems::ForgetItem(item);
  for (auto* list : {&lookup_, &currency_})
    for (size_t i = list->size(); i-- > 0;)
      if ((*list)[i].Item == item) RemoveAt(*list, i);
}

void TcxEditDBRegisteredRepositoryItems::Clear() {
  while (!DefaultEntries().empty()) RemoveDefaultEntry(DefaultEntries().back().Version);
  while (!ItemEntries().empty()) RemoveItemByKey(ItemEntries().back().Key, ItemEntries().back().Version);
  while (!lookup_.empty()) RemoveAt(lookup_, lookup_.size() - 1);
  while (!currency_.empty()) RemoveAt(currency_, currency_.size() - 1);
}

TcxEditDBRegisteredRepositoryItems* GetDefaultEditDBRepositoryItems() {
  InitializeCxEditDBRegisteredRepositoryItems();
  if (!dbEditorRegistry) dbEditorRegistry = new TcxEditDBRegisteredRepositoryItems(nullptr);
  return dbEditorRegistry;
}

void InitializeCxEditDBRegisteredRepositoryItems() {
  InitUnit(
      "cxEditDBRegisteredRepositoryItems",
      [] {
        InitializeCxEditRepositoryItems();
        // The default editor is the mask item; memo fields get the memo, date and time fields
        // the date and time items, currency fields the currency item. The kinds still to come
        // (check box, BLOB, image, lookup) register theirs with their units.
        GetDefaultEditDBRepositoryItems()->RegisterDefaultItem(
            -1, DefaultEditRepository()->CreateItem(TcxEditRepositoryMaskItem::StaticClass()));
        GetDefaultEditDBRepositoryItems()->RegisterItem(
            ftMemo, -1, DefaultEditRepository()->CreateItem(TcxEditRepositoryMemoItem::StaticClass()));
        InitializeCxCalendar();
        InitializeCxCurrencyEdit();
        // Pictures get the image editor; BLOB, byte, OLE and typed-binary fields the BLOB editor.
        GetDefaultEditDBRepositoryItems()->RegisterItem(
            ftGraphic, -1, DefaultEditRepository()->CreateItem(TcxEditRepositoryImageItem::StaticClass()));
        for (TFieldType t : {ftBytes, ftVarBytes, ftBlob, ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary})
          GetDefaultEditDBRepositoryItems()->RegisterItem(
              t, -1, DefaultEditRepository()->CreateItem(TcxEditRepositoryBlobItem::StaticClass()));
      },
      [] {
        if (dbEditorRegistry) dbEditorRegistry->UnregisterDefaultItem(-1);
        delete dbEditorRegistry;
        dbEditorRegistry = nullptr;
      });
}
