// The data-set-bound data controller: a data controller whose records come from a TDataSet
// reached through a TDataSource. In full mode every record of the data set is copied into the
// controller storage; in grid mode only the data link's window of records is represented and
// values are read from the data set on demand. The controller's focus and the data set's
// cursor follow each other, edits are carried out on the data set, and the controller's filter
// can be handed to the data set as filter text.
//
// Also here: field-name list utilities, the adapter registries that attach behaviour to data-set
// classes, the SQL forms of the Null operators, and the detail adapter that re-opens a
// parameterised query or locates the first detail record.
#pragma once

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "data/cxCustomData.h"
#include "db/DB.h"

class TcxDBDataController;
class TcxDBDataProvider;
class TcxDBDataField;

// ---------------------------------------------------------------------------------------------
// Field-name lists and field values

// True when the ";"-separated list holds more than one name.
bool HasSeveralFieldNames(const String& names);
// The number of names in the list (an empty string gives 0).
int FieldNameCount(const String& names);
// The names of the list, each trimmed; an empty part gives an empty name.
void SplitFieldNames(const String& names, std::vector<String>& list);
// A name that is not a valid identifier becomes "[" + name + "]".
void BracketFieldName(String& name);
// The name of a field in filter texts: its Origin (when not ignored and set), else its
// bracketed FieldName; empty for no field.
String GetFilterFieldName(TField* field, bool ignoreOrigin);
bool IsLookupKeyModifiable(TField* field);
// Whether a field shows currency values (a float or BCD field with Currency set, no display
// format and no OnGetText handler).
bool IsCurrencyField(TField* field);
// Whether display texts must be stored beside the values.
bool NeedsStoredText(TField* field, bool editsByText);
Variant ReadFieldValue(TField* field);
void WriteFieldValue(TField* field, const Variant& value);
// No field: Null; one: its value; several: a variant array of their values in list order.
Variant GetFieldValues(const std::vector<TField*>& fields);
void SetFieldValues(const std::vector<TField*>& fields, const Variant& value);
bool SameTextIgnoreCase(const String& a, const String& b);

// ---------------------------------------------------------------------------------------------
// Adapters attached to data-set classes

class TcxDBAdapterItem : public TObject {
 public:
  explicit TcxDBAdapterItem(TClass dataSetClass) : dataSetClass_(dataSetClass) {}
  TClass DataSetClass() const { return dataSetClass_; }

 private:
  TClass dataSetClass_;
};
using TcxDBAdapterItemFactory = std::function<TcxDBAdapterItem*(TClass dataSetClass)>;

// A list of adapters by data-set class; a lookup finds the adapter registered for the most
// specific ancestor class of a data set.
class TcxDBAdapterList : public TObject {
 public:
  ~TcxDBAdapterList() override { Clear(); }
  virtual bool FindItem(TClass dataSetClass, int& index);
  // `adapterClass` names the adapter's class (for unregistering); `factory` makes it.
  virtual void RegisterAdapter(TClass dataSetClass, const String& adapterClass, const TcxDBAdapterItemFactory& factory);
  virtual void UnregisterAdapter(TClass dataSetClass, const String& adapterClass);
  TcxDBAdapterItem* Items(int index) const { return items_.at(std::size_t(index)).Item; }
  int Count() const { return int(items_.size()); }
  void Clear();

 private:
  struct Entry {
    TcxDBAdapterItem* Item;
    String ClassName;
  };
  std::vector<Entry> items_;
};

// Null and Not-Null conditions written as SQL ("IS", "IS NOT") for query data sets.
class TcxFilterSQLNullOperator : public TcxFilterNullOperator {
  CX_FILTER_OPERATOR(TcxFilterSQLNullOperator, TcxFilterNullOperator)
  void GetExpression(String& s) override { s = "IS"; }
};
class TcxFilterSQLNotNullOperator : public TcxFilterNotNullOperator {
  CX_FILTER_OPERATOR(TcxFilterSQLNotNullOperator, TcxFilterNotNullOperator)
  void GetExpression(String& s) override { s = "IS NOT"; }
};

class TcxDBFilterOperatorAdapter : public TcxDBAdapterItem {
 public:
  using TcxDBAdapterItem::TcxDBAdapterItem;
  virtual void PrepareOperatorClass(TcxFilterCriteriaItem* item, TDataSet* dataSet, TcxFilterOperatorClass& opClass);
};

// Registry of filter-operator adapters (TDataSet -> TcxDBFilterOperatorAdapter at start).
TcxDBAdapterList* cxFilterOperatorAdapters();
TcxDBFilterOperatorAdapter* GetFilterOperatorAdapter(TDataSet* dataSet);

// How a detail data set gets one master's records: by locating them, or by re-opening a
// parameterised query with the master's key values.
class TcxDBProviderDetailFilterAdapter : public TcxDBAdapterItem {
 public:
  using TcxDBAdapterItem::TcxDBAdapterItem;
  virtual bool IsCurrentQuery(TDataSet* dataSet, const String& keyFieldNames, const Variant& keyValues);
  virtual void ReopenSQL(TDataSet* dataSet, const String& keyFieldNames, const Variant& keyValues, bool& reopened);
  virtual void DetailFirst(TDataSet* dataSet, const String& keyFieldNames, const Variant& keyValues, bool queryMode,
                           bool& reopened);
};

// Registry of detail filter adapters (TDataSet -> TcxDBProviderDetailFilterAdapter at start).
TcxDBAdapterList* cxDetailFilterAdapters();
// The parameters of a data set that has them (a query), else nullptr.
TParams* cxDataSetParams(TDataSet* dataSet);

// ---------------------------------------------------------------------------------------------
// Data-set fields

class TcxDBDataField : public TcxCustomDataField {
 public:
  using TcxCustomDataField::TcxCustomDataField;
  ~TcxDBDataField() override;

  void AdoptStorage(TcxCustomDataField* source) override;
  void ComponentRemoved(TComponent* component) override;
  bool CanStoreValue(int valueSource) const override;
  bool IsUnboundField() const override;
  bool IsInternalValue() const override;

  // The data-set field at the end of the reference chain.
  TField* SourceField() const;
  TField* Field() const { return field_; }
  void SetField(TField* field);
  const String& FieldName() const { return fieldName_; }
  int SubFieldCount() const;
  TcxDBDataField* SubField(int index) const;
  bool IsLookup() const;
  bool IsCurrency() const;
  TcxDBDataField* ParentField() const { return parent_; }
  TcxDBDataController* DBController() const;
  void UpdateValueType(TField* field);
  void NotifyTypeChanged();

 private:
  friend class TcxDBDataController;
  const TcxDBDataField* End() const;
  void AddSubField(TcxDBDataField* sub);
  void FreeSubFields();
  TField* field_ = nullptr;
  String fieldName_;
  std::vector<TcxDBDataField*> subFields_;
  bool isCurrency_ = false;
  TcxDBDataField* parent_ = nullptr;
};

// Reads a record of the storage from the data set's current record.
class TcxValueDefDBReader : public TcxValueDefReader {
 public:
  String ReadDisplayText(TcxValueDef* def) override;
  Variant ReadValue(TcxValueDef* def) override;
  bool IsSkipped(TcxValueDef* def) override;
  // Loads ordinary record `index` as TcxDataStorage::LoadRecordFromReader does, reading each
  // field once: columns whose field is a plain integer, float, date or text field take the
  // data set's stored value directly (texts straight into the column's pool); the others go
  // through the field's Value. The plan of how to read each column is made on the first call.
  void LoadRecord(TcxDataStorage* storage, int index);

 private:
  struct Entry {
    TcxValueDef* Def;
    TcxDBDataField* Field;
    TField* Source;
  };
  // How LoadRecord reads a column.
  enum class TStep : Byte { Skip, Value, Integer, LargeInt, Float, Text };
  struct Step {
    TcxValueDef* Def;
    TField* Source;
    TStep How;
  };
  const Entry& Lookup(TcxValueDef* def);
  TStep StepOf(TcxValueDef* def);
  void ReadThroughValue(TcxDataStorage* storage, int index, TcxValueDef* def);
  std::vector<Entry> cache_;
  std::vector<Step> plan_;
  TcxDataStorage* planned_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Data link and provider

class TcxDBDataLink : public TDataLink {
 public:
  explicit TcxDBDataLink(TcxDBDataProvider* provider);
  void DataEvent(TDataEvent event, NativeInt info) override;
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(Integer distance) override;
  void EditingChanged() override;
  void FocusControl(TField** field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* field) override;
  void UpdateData() override;
  void MirrorDataSetInsert();
  bool LayoutChangePending() const { return layoutChangePending_; }
  bool PreventLayoutChange = false;

 private:
  bool layoutChangePending_ = false;
  TcxDBDataProvider* provider_;
};

// The fields a provider filled itself while preparing a new record (grouping values, master
// keys): a record holding nothing else does not count as modified by the user.
class TcxDBDataAssignedFields : public TObject {
 public:
  void Add(TField* field);
  void AddList(const std::vector<TField*>& list);
  void AddNames(TDataSet* dataSet, const String& names);
  void Remove(TField* field);
  void Clear() { items_.clear(); }
  bool IsEmpty() const { return items_.empty(); }
  bool Contains(TField* field) const;

 private:
  std::vector<TField*> items_;
};

class TcxDBDataProvider : public TcxCustomDataProvider {
 public:
  explicit TcxDBDataProvider(TcxCustomDataController* controller);
  ~TcxDBDataProvider() override;

  bool IsCustomDataSourceSupported() override { return false; }
  bool IsGridMode() override;
  bool IsActiveDataSet() override;
  bool IsOtherInsert() override;
  bool IsSyncMode() override;
  bool IsDataAvailable() override;
  bool IsStructureAvailable() override;
  bool IsBOF() override;
  bool IsEditing() override;
  bool IsEOF() override;
  bool IsGridModeUpdating() override { return IsGridMode() && inUpdateGridMode_; }
  bool IsInserting() override;
  bool IsModified() override { return TcxCustomDataProvider::IsModified() || IsDataSetModified(); }
  void RecordAppended(int recordIndex) override;
  void First() override;
  void Prior() override;
  void Next() override;
  void Last() override;
  void MoveBy(int distance) override;
  void Scroll(int distance) override;
  void BeginLoad() override;
  void EndLoad() override;
  void BeginLocate() override;
  void LockNotification() override;
  void UnlockNotification() override;
  String GetGridModeDisplayText(int recordIndex, TcxCustomDataField* field) override;
  Variant GetGridModeValue(int recordIndex, TcxCustomDataField* field) override;
  int GetGridModeFocusedRecordIndex() override;
  void LoadGridModeBuffer() override;
  void ActiveChanged(bool active) override;
  void UpdateItems(bool updateFields) override;
  // Editing through the data set.
  bool CanDelete() override;
  bool CanInitEditing(int recordIndex) override;
  bool CanModify() override;
  void Append() override;
  bool Cancel() override;
  int DeleteFocused() override;
  void Delete(std::vector<int>& recordIndexes) override;
  void DeleteSelection() override;
  void Edit() override;
  Variant GetValue(int recordIndex, TcxCustomDataField* field, int valueSource) override;
  void Insert() override;
  void Post() override;
  void PostEditingData() override;
  bool SetEditValue(int recordIndex, TcxCustomDataField* field, int valueSource, const Variant& value) override;
  void ClearNearestRecord() override;
  void SetGroupingValue(int recordIndex, TcxCustomDataField* field, const Variant& value) override;
  void AssignGroupingValues(int recordIndex, const std::vector<Variant>& values) override;
  bool GetDetailHasChildren(int recordIndex, int relationIndex) override;

  virtual bool IsDataSetModified();
  virtual bool BookmarkValid(const String& bookmark);
  virtual int CompareBookmarks(const String& a, const String& b);
  virtual void CancelDataSet();
  virtual void RecordChanged(TField* field);

  // The scroll of the data set's cursor by `distance` records (0: a position re-sync).
  void LayoutChangedBy(int distance);
  TcxDBDataController* DBController() const;
  TDataSet* DataSet() const { return link_->DataSet(); }
  TDataSource* DataSource() const { return link_->DataSource(); }
  void SetDataSource(TDataSource* source);
  TcxDBDataLink* DataLink() const { return link_.get(); }
  int GridModeBufferCount();
  bool IsSmartRefresh();
  bool IsKeyNavigation();
  bool IsDataSetCurrent() { return dataSetCurrent_; }
  void SetDataSetCurrent(bool value);
  void MarkPostLocate();
  void ClearPostLocate() { postLocate_ = false; }
  void ResetUpdatingRecord();
  void UpdateGridMode();
  bool IsUniDirectional();
  bool IsDataSetEditing();
  // Another provider of the data set is enabling its controls at the end of a walk.
  bool IsOtherProviderEndingWalk();
  int DataSetRecordIndex() const { return dataSetRecordIndex_; }
  TcxDBDataAssignedFields* AssignedFields() const { return assignedFields_.get(); }
  bool IncrementalSearching() const { return incrementalSearching_; }
  bool IncrementalSearchInGridMode(const String& text, bool forward, bool next);
  bool InFirst() const { return inFirst_; }
  void MarkRecreatedFields() { recreatedFields_ = true; }
  bool IsActivating() const { return activating_; }
  bool InCanInitEditing() const { return inCanInitEditing_; }
  int UpdatingRecordIndex() const { return updatingRecordIndex_; }

 private:
  friend class TcxDBDataLink;
  friend class TcxDBDataController;
  void DataSetInsertOrAppend(bool append);
  bool WaitForLockedProvider();
  bool IsNotificationDeferred();
  void AddListener(TcxDBDataProvider* p);
  void RemoveFromListeners();
  std::vector<TcxDBDataProvider*> SharingProviders();
  void CheckExpandedDetails() {}
  void DoDataSetChanged();
  void RefreshUpdatedRecord();

  std::unique_ptr<TcxDBDataAssignedFields> assignedFields_;
  std::unique_ptr<TcxDBDataLink> link_;
  bool inCanInitEditing_ = false;
  bool activatedInInsert_ = false;
  bool incrementalSearching_ = false;
  bool inFirst_ = false;
  bool inInsert_ = false;
  bool insertOperation_ = false;
  bool inUpdateGridMode_ = false;
  bool dataSetCurrent_ = false;
  bool inNotify_ = false;
  std::vector<TcxDBDataProvider*> listeners_;
  bool postLocate_ = false;
  bool endingWalk_ = false;
  int dataSetRecordIndex_ = 0;
  struct SavePos {
    String Bookmark;
    bool Bof = false;
    bool Eof = false;
    int ActiveRecord = 0;
  } savedPos_;
  int prevFocusedRecord_ = -1;
  int updatingRecordIndex_ = cxNullEditingRecordIndex;
  bool updatingRecordIsInserting_ = false;
  int updatingNewRecordIndex_ = -1;
};

// ---------------------------------------------------------------------------------------------
// Data-mode settings

class TcxDBDataModeController : public TPersistent {
 public:
  explicit TcxDBDataModeController(TcxDBDataController* controller) : controller_(controller) {}
  void Assign(TPersistent* source) override;

  virtual bool DetailIsCurrentQuery(const String& names, const Variant& values);
  virtual void DetailFirst(const String& names, const Variant& values, bool& reopened);

  bool DetailInSQLMode = false;
  bool DetailSyncMode = true;
  bool SyncInserts = true;
  bool GridMode() const { return gridMode_; }
  void SetGridMode(bool value);
  int GridModeBufferCount() const { return gridModeBufferCount_; }
  void SetGridModeBufferCount(int value);
  bool SmartRefresh() const { return smartRefresh_; }
  void SetSmartRefresh(bool value);
  bool SyncMode() const { return syncMode_; }
  void SetSyncMode(bool value);
  std::function<void(TcxDBDataModeController*, TDataSet*, const String&, const Variant&, bool& reopened)> OnDetailFirst;
  std::function<bool(TcxDBDataModeController*, TDataSet*, const String&, const Variant&)> OnDetailIsCurrentQuery;

 private:
  TcxDBDataController* controller_;
  bool gridMode_ = false;
  int gridModeBufferCount_ = 0;
  bool smartRefresh_ = false;
  bool syncMode_ = true;
};

// ---------------------------------------------------------------------------------------------
// The controller's filter, which can also feed the data set's own filter

class TcxDBDataFilterCriteriaItem : public TcxDataFilterCriteriaItem {
 public:
  using TcxDataFilterCriteriaItem::TcxDataFilterCriteriaItem;
  TcxFilterOperatorClass OperatorDisplayTextSource() override;
};

class TcxDBDataFilterCriteria : public TcxDataFilterCriteria {
 public:
  explicit TcxDBDataFilterCriteria(TcxCustomDataController* controller);
  void Assign(TPersistent* source) override;
  void FormatFilterTextValue(TcxFilterCriteriaItem* condition, const Variant& v, String& s) override;
  TcxFilterCriteriaItemClass GetItemClass() override;
  void DoChanged() override;
  void AssignEvents(TcxFilterCriteria* source) override;
  void RestoreDefaults() override;
  void ConditionValueText(TcxFilterCriteriaItem* condition, bool display, String& s) override;
  bool IsFiltering() override;

  bool AutoDataSetFilter() const { return autoDataSetFilter_; }
  void SetAutoDataSetFilter(bool value);
  bool IgnoreOrigin() const { return ignoreOrigin_; }
  void SetIgnoreOrigin(bool value);
  bool IsDataSetFilterActive();
  std::function<void(TcxDBDataFilterCriteria*, TDataSet*, const String& filterText)> OnBeforeChange;
  std::function<void(TcxDBDataFilterCriteria*, const Variant& value, String& displayValue)> OnFormatFilterTextValue;

 private:
  bool autoDataSetFilter_ = false;
  bool ignoreOrigin_ = true;
};

// ---------------------------------------------------------------------------------------------
// Selection by bookmarks in grid mode

class TcxDBDataSelection : public TcxDataSelection {
 public:
  explicit TcxDBDataSelection(TcxCustomDataController* controller);
  void ClearAnchor() override;
  void InsertEntry(int position, int row, int level, int record) override;
  void ClearEntries() override;
  void DeleteEntry(int position) override;

  int CompareBookmarks(const String& a, const String& b);
  bool FindBookmark(const String& bookmark, int& position);
  String BookmarkOfRow(int row);
  void SelectAll();
  void SelectRange(const String& bookmark, bool keepSelection);
  bool DropInvalidBookmarks();
  void SyncCount();
  const String& AnchorBookmark() const { return anchorBookmark_; }
  void SetAnchorBookmark(const String& b) { anchorBookmark_ = b; }
  int BookmarkCount() const { return int(bookmarks_.size()); }
  const String& Bookmark(int i) const { return bookmarks_.at(std::size_t(i)); }

 private:
  bool GridMode();
  bool CanSelect();
  bool QuickAdjust(bool forward, const String& lower, const String& upper);
  void Walk(const String& lower, const String& upper, bool keepSelection);
  TcxDBDataController* DBController() const;
  String anchorBookmark_;
  std::vector<String> bookmarks_;
  bool inSelectAll_ = false;
};

// ---------------------------------------------------------------------------------------------
// Master-detail by key fields: the detail level's MasterKeyFieldNames name fields of the
// master's data set, its DetailKeyFieldNames the detail data set's fields with the same values.

class TcxDBDataRelation : public TcxCustomDataRelation {
 public:
  using TcxCustomDataRelation::TcxCustomDataRelation;
  ~TcxDBDataRelation() override;
  void FieldRemoved(TcxCustomDataField* field) override;
  virtual bool HasKeyLink();
  // The names of the detail level's pattern (empty without one).
  String DetailKeyNames();
  String MasterKeyNames();
  // The master record's key values: Unassigned without a key link; one value or an array.
  Variant ReadMasterKeyValues(int masterRecordIndex);
  void KeyNamesChanged();
  TcxDBDataField* MasterKeyField() const { return masterKeyField_; }

 private:
  friend class TcxDBDataController;
  TcxDBDataController* PatternDetail();
  TcxDBDataField* masterKeyField_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Summary items

// A summary item that may summarise a data-set field by name instead of its linked item.
class TcxDBDataSummaryItem : public TcxDataSummaryItem {
  KORVAN_CLASS(TcxDBDataSummaryItem, TcxDataSummaryItem)

 public:
  using CreateArgType = TCollection*;
  using TcxDataSummaryItem::TcxDataSummaryItem;
  ~TcxDBDataSummaryItem() override;

  const String& FieldName() const { return fieldName_; }
  void SetFieldName(const String& value);
  // The internal field for `FieldName` when there is one, else the linked item's field.
  TcxCustomDataField* DataField() const override;
  bool IsCurrencyValueType(TVarType t) const override;
  void AssignFrom(TcxDataSummaryItem* source) override;

 private:
  TcxDBDataController* Controller() const;
  String fieldName_;
  TcxDBDataField* dataField_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The controller

class TcxDBDataController;
// Whether a master record has detail records: (controller, record index, relation index, the
// master key field names and values, var answer).
using TcxDBDataDetailHasChildrenEvent =
    std::function<void(TcxDBDataController* sender, int recordIndex, int relationIndex, const String& masterDetailKeyFieldNames,
                       const Variant& masterDetailKeyValues, bool& hasChildren)>;

class TcxDBDataController : public TcxCustomDataController {
 public:
  explicit TcxDBDataController(TComponent* owner);
  ~TcxDBDataController() override;
  void Assign(TPersistent* source) override;

  // Companions.
  TcxCustomDataField* NewField() override;
  TcxCustomDataProvider* CreateDataProvider() override;
  TcxDataSelection* CreateDataSelection() override;
  TcxDataFilterCriteria* CreateFilterCriteria() override;

  // Replaced operations of the base controller.
  bool CanFocusRecord(int recordIndex) override;
  void ResetDataSetCurrent() override;
  bool LocateInGridMode(const String& text, bool forward, bool next) override;
  int GetFocusedRecordIndex() override;
  void GetKeyFields(std::vector<TcxCustomDataField*>& list) override;
  bool IsBookmarkAffected(int recordIndex) override;
  void ClearBookmark() override;
  bool GotoBookmark() override;
  bool SaveBookmark() override;
  bool IsBookmarkAvailable() const override;
  bool IsBookmarkRow(int rowIndex) override;
  bool HasRecordKeys() override;
  bool NeedsFocusReset() override;
  void ClearData() override;
  bool IsSummaryLocked() override;
  void DoDataLoaded() override;
  void UpdateField(TcxCustomDataField* field) override;
  void ComponentRemoved(TComponent* component) override;
  void UpdateStructure() override;
  void UpdateFields() override;
  void CheckFocusing() override;
  void DoPendingNotifications() override;
  Variant GetRecordId(int recordIndex) override;
  bool IsStructureRecreated() override { return true; }
  bool IsDataChangeLocked() const override;
  bool CanChangeFocusedRow() override;
  void EnsureBrowseMode() override;
  void RefreshExternalData() override;
  void BeforeLocate() override { inUnboundCopy_ = true; }
  void AfterLocate() override { inUnboundCopy_ = false; }
  String GetFilterItemFieldName(TObject* item) override;
  TcxCustomDataRelation* NewRelation(TcxCustomDataRelationList* list, TObject* item) override;
  void SetMasterRelation(TcxCustomDataRelation* relation, int masterRecordIndex) override;
  void NotifyMasterOrChange() override;
  bool DoDetailExpandingOrCollapsing(int recordIndex, bool expanding) override;
  void ChangeValueTypeClass(int itemIndex, TcxValueTypeClass value) override;
  bool IsProviderField(TcxCustomDataField* field) override;
  bool IsItemTextStored(int itemIndex, bool editing) override;
  Variant GetValueForGrouping(int recordIndex, TcxCustomDataField* field) override;
  Variant GetFilterDataValue(int recordIndex, TcxCustomDataField* field) override;
  TcxValueDef* InPlaceValueDef(TcxCustomDataField* field) override;
  Variant GetSelectionRecordKey(int recordIndex) override;
  bool FocusSelectedRow(int index) override;
  void ForEachRow(bool selectedOnly, const std::function<void(int rowIndex, const TcxRowInfo& info)>& proc) override;
  bool ExecuteAction(TObject* action) override;
  bool UpdateAction(TObject* action) override;
  int GetSelectedRowIndex(int index) override;
  int GetSelectionAnchorRowIndex() override;
  bool IsSelectionAnchorAssigned() override;
  void SelectAll() override;
  void SelectFromAnchor(int rowIndex, bool keepSelection) override;
  void SetSelectionAnchor(int rowIndex) override;
  int CountSelectedRows() override;

  // New virtual operations.
  virtual void DataSetCurrentChanged(bool value) {}
  virtual void DataSourceChanged() {}
  virtual void GroupingValuesAssigned(int recordIndex) {}
  virtual int DefaultGridModeBufferCount() { return 100; }
  virtual void GridModeScrolled() { Change({dccLayout}); }
  virtual int FindRecordIndexByKey();
  virtual bool SyncDataSetToRecord(int recordIndex);
  virtual void SequencedScrolled() {}
  // Focuses the control of an item for a field the data set asks to focus; a view sets `done`.
  virtual void FocusItemControl(int itemIndex, bool& done) {}
  TcxDBProviderDetailFilterAdapter* GetDetailFilterAdapter();

  // Properties.
  TcxDBDataModeController* DataModeController() const { return dataModeController_.get(); }
  void SetDataModeController(TcxDBDataModeController* value) { dataModeController_->Assign(value); }
  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* value);
  TcxDBDataFilterCriteria* DBFilter() const { return static_cast<TcxDBDataFilterCriteria*>(Filter()); }
  const String& KeyFieldNames() const { return keyFieldNames_; }
  void SetKeyFieldNames(const String& value);
  const String& DetailKeyFieldNames() const { return detailKeyFieldNames_; }
  void SetDetailKeyFieldNames(const String& value);
  const String& MasterKeyFieldNames() const { return masterKeyFieldNames_; }
  void SetMasterKeyFieldNames(const String& value);
  // The detail key names in use: empty unless master key names are set too.
  String DetailKeyFieldNamesInUse() const { return masterKeyFieldNames_.empty() ? String() : detailKeyFieldNames_; }

  // Public operations.
  TcxDBDataProvider* DBProvider() const { return static_cast<TcxDBDataProvider*>(Provider()); }
  TDataSet* BoundDataSet() const { return DBProvider()->DataSet(); }
  int DataSetRecordCount();
  int DataSetRecNo();
  void MoveDataSetToRecNo(int recNo);
  bool IsDataSetSequenced();
  TField* ItemDataSetField(int itemIndex);
  String ItemFieldName(int itemIndex);
  void ChangeItemFieldName(int itemIndex, const String& name);
  bool LocateByKeyValue(const Variant& key);
  int LocateByKey(const Variant& key);
  void GetKeyDataSetFields(std::vector<TField*>& list);
  Variant DataSetKeyValues();
  void GetSelectedBookmark(int index, String& bookmark);
  void GetAnchorBookmark(String& bookmark);
  void UpdateGridModeBufferCount();
  void ScrollInGridMode(int distance);
  void ReadRecordFromDataSet(int recordIndex);
  void ReadEditingRecord();
  void SetFieldName(TcxDBDataField* field, const String& names, bool subFieldMode);
  void SetNamesField(const String& names, TcxDBDataField*& field);
  void BindField(TcxDBDataField* field, bool subFieldsOnly);
  // Asks to be told when a bound data-set field is destroyed.
  void RegisterFieldNotification(TField* field);
  bool InUpdateGridModeBufferCount() const { return inUpdateGridModeBufferCount_; }
  bool InUnboundCopy() const { return inUnboundCopy_; }
  bool InCheckBrowseMode() const { return inCheckBrowseMode_; }
  bool ResettingDBFields() const { return resetDBFields_; }
  TcxDBDataSelection* DBSelection() const { return static_cast<TcxDBDataSelection*>(Info()->Selection()); }
  TcxDBDataField* KeyField() const { return keyField_; }
  // Master-detail key values of a detail clone (Unassigned when not bound to a master record).
  const Variant& MasterDetailKeyValues() const { return masterDetailKeyValues_; }
  // Rebuilds the master key field of every data-set relation from the detail levels' names.
  void UpdateRelationKeyFields();
  // Query mode: re-runs the detail query for this clone unless it already holds its records.
  void CheckCurrentQuery();
  TClass GetSummaryItemClass() const override;
  // A detail in sync mode re-runs its query when it holds another master's records.
  void SyncMasterPosition() override {
    if (IsDetailMode() && dataModeController_->DetailSyncMode) CheckCurrentQuery();
  }
  // Query mode: the shared query holds another master's records than this clone shows.
  bool IsDetailQueryOutdated();
  // Calls `f` for every existing clone of this controller's detail level (itself included).
  void ForEachSiblingDetail(const std::function<void(TcxDBDataController*)>& f);
  bool InResetDataSetCurrent() const { return inResetDataSetCurrent_; }
  // A detail pattern whose data set's cursor was moved by something else: the masters locate
  // the owning master record, up the chain, and show this level's detail.
  void SyncMastersFromDataSet();
  TcxCustomDataController* LocateMasterChain();
  static bool IsMasterChainSyncable(TcxDBDataController* master);
  static TcxCustomDataController* ActivateFocusedDetail(TcxCustomDataController* c, int relationIndex,
                                                        const Variant& key);
  // How many times the controller walked its data set to load records (diagnostics).
  int LoadCount() const { return loadCount_; }

  TcxDBDataDetailHasChildrenEvent OnDetailHasChildren;

 private:
  friend class TcxDBDataProvider;
  friend class TcxDBDataLink;
  friend class TcxDBDataField;
  void LoadFromDataSet();
  void ResetDBFields();
  // Every write of a field's name goes through RenameField, which keeps fieldsByName_: the
  // fields by upper-case name (ASCII letters), so that SetFieldName finds a field of the
  // same name without comparing every pair of fields. A removed field leaves it.
  void RenameField(TcxDBDataField* field, const String& name);
  void FieldRemoved(TcxCustomDataField* field) override;
  std::unordered_map<String, std::vector<TcxDBDataField*>> fieldsByName_;

  class TNotifier;
  std::unique_ptr<TcxDBDataModeController> dataModeController_;
  TNotifier* notifier_ = nullptr;
  String bookmark_;
  String detailKeyFieldNames_;
  String keyFieldNames_;
  String masterKeyFieldNames_;
  bool inCheckBrowseMode_ = false;
  bool inUnboundCopy_ = false;
  bool inUpdateGridModeBufferCount_ = false;
  TcxDBDataField* keyField_ = nullptr;
  bool loaded_ = false;
  Variant masterDetailKeyValues_;
  bool resetDBFields_ = false;
  bool inCheckCurrentQuery_ = false;
  bool updateDataSetPosition_ = false;
  bool inResetDataSetCurrent_ = false;
  int loadCount_ = 0;
};
