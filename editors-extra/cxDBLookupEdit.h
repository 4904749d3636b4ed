// The lookup edit layer bound to a list data set: the edit value is the key field value(s) of a
// list record, the text the list field's display text. An editor bound to a lookup field takes
// the list, key and result fields from the field's lookup definition, and then refuses them as
// settings of its own.
#pragma once

#include "data/cxDBData.h"
#include "data/cxDataStorage.h"
#include "db/DB.h"
#include "editors-extra/cxLookupEdit.h"

class TcxCustomDBLookupEditProperties : public TcxCustomLookupEditProperties {
  KORVAN_CLASS(TcxCustomDBLookupEditProperties, TcxCustomLookupEditProperties)

 public:
  explicit TcxCustomDBLookupEditProperties(TPersistent* owner);
  ~TcxCustomDBLookupEditProperties() override;
  void Assign(TPersistent* source) override;

  bool CaseSensitiveSearch() const { return caseSensitiveSearch_; }
  void SetCaseSensitiveSearch(bool v) { caseSensitiveSearch_ = v; }
  String KeyFieldNames();
  // Raises the lookup-definition error while a lookup field defines the keys.
  void SetKeyFieldNames(const String& v);
  // The lookup field the editor is bound to (through its defaults provider); nil.
  TField* LookupField() const { return lookupField_; }
  // The field the editor edits (lookup or not); nil.
  TField* BoundField();
  // The list column's field of the effective list index; nil.
  TField* ListField();

  TClass GetContainerClass() override;
  void NotifyPropertiesChanged() override;
  Integer EditValueSource(bool editFocused) override;
  TClass GetLookupDataClass() override;
  Integer GetListIndex() override;
  String GetDisplayTextByKey(const Variant& key) override;
  Variant GetNullKey() override;
  bool IsTextKey() override;
  void SetListIndex(Integer index) override;
  bool CheckDefinedByLookup() override;
  int FindRecordByText(int itemIndex, const String& text, bool partial) override;
  // In grid mode also the list controller's locate bracket, counted.
  void BeginListUpdate() override;
  void EndListUpdate() override;
  bool IsIncrementalFilteringActive() override;
  // Grid mode: the list reads the data set's window; texts are searched with Locate and key
  // texts come from a cache that lives until the next change.
  bool GridMode() const { return textCache_ != nullptr; }
  void SetGridMode(bool v);
  // The list data set of the bound lookup field; nil.
  TDataSet* LookupListDataSet() const { return internalSource_ ? internalSource_->DataSet() : nullptr; }
  // The cached (key, text) pairs of grid mode; nil outside grid mode.
  const TcxLookupList* TextCache() const { return textCache_.get(); }

  // The list columns (base: none).
  virtual void BeginListColumnsUpdate() {}
  virtual void AddListColumn(const String&) {}
  virtual void CreateListColumns(const String&) {}
  virtual void EndListColumnsUpdate() {}
  virtual TField* GetListColumnField(Integer) { return nullptr; }
  virtual String GetListColumnFieldName(Integer) { return String(); }
  virtual Integer FindListColumnByFieldName(const String&) { return -1; }
  virtual TcxDBDataController* GetListDBDataController() { return nullptr; }
  virtual void SyncWithLookupField();
  virtual void SyncListResultColumn();
  // Binds the list to a lookup field's definition (nil unbinds).
  void BindLookupField(TField* field);
  // Raises the circular-reference error when ListSource reads DataSet.
  void CheckCircularLink(TDataSource* listSource, TDataSet* dataSet);

 protected:
  // True while the properties copy a lookup field's definition (the guarded setters work).
  bool Synchronizing() const { return syncing_; }
  void CheckNotDefinedByLookup();
  // Binds to the provider's lookup field when it changed without a change notification (a grid
  // column attaches its binding's provider quietly).
  void FollowProvider();

 private:
  bool caseSensitiveSearch_ = false;
  TField* lookupField_ = nullptr;
  std::unique_ptr<TDataSource> internalSource_;
  bool syncing_ = false;
  bool changing_ = false;
  std::unique_ptr<TcxLookupList> textCache_;
  Integer locateCount_ = 0;
};

class TcxCustomDBLookupEditLookupData : public TcxCustomLookupEditLookupData {
  KORVAN_CLASS(TcxCustomDBLookupEditLookupData, TcxCustomLookupEditLookupData)

 public:
  using TcxCustomLookupEditLookupData::TcxCustomLookupEditLookupData;
  // The record's key field values (Null for no record).
  void ItemIndexToKey(int recordIndex) override;
  // Locates the current key in the list (a key that cannot be compared is not found).
  void SyncFocusWithKey() override;
};

class TcxCustomDBLookupEdit : public TcxCustomLookupEdit {
  KORVAN_CLASS(TcxCustomDBLookupEdit, TcxCustomLookupEdit)

 public:
  explicit TcxCustomDBLookupEdit(TComponent* owner)
      : TcxCustomDBLookupEdit(owner, false, TcxCustomDBLookupEditProperties::StaticClass()) {}
  TcxCustomDBLookupEdit(TComponent* owner, bool inPlace, TClass propertiesClass)
      : TcxCustomLookupEdit(owner, inPlace, propertiesClass) {}
  TcxCustomDBLookupEditProperties* DBLookupProperties() {
    return static_cast<TcxCustomDBLookupEditProperties*>(GetEffectiveProperties());
  }

  // Editing the key of a lookup field of several key fields: an array of Nulls, one per field.
  Variant GetEmptyEditValue() override;
  // The list field's valid characters (all without a list field).
  bool AcceptsChar(char32_t c) override;
  // Keys are the list records' key field values.
  Variant ItemIndexToKey(Integer recordIndex) override;
  // The list record of a key; -1 for a key that cannot be compared.
  Integer KeyToItemIndex(const Variant& key) override;
};

// The messages of the data-set lookup editors.
String LookupDefinedByFieldMessage();
String CircularDataLinkMessage();
