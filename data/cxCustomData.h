// The data controller: the record model behind grid views, the pivot grid, lookup editors and
// export links. It owns its records (through a provider and the record storage), one data
// field per item of its owner, the filter, the sort/group pipeline, focus and selection, and
// tells its owner what changed through update-info objects delivered at the outermost end of
// an update bracket.
//
// Indexes: record indexes address storage records (0 and up; internal records are negative,
// and -1 is never used for one, so -1 always means "no record"); row indexes address what the
// pipeline shows now and change with every rebuild; item indexes are field positions.
#pragma once

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "data/cxDataConsts.h"
#include "data/cxDataStorage.h"
#include "data/cxDataUtils.h"
#include "data/cxFilter.h"

KORVAN_EXCEPTION(EcxInvalidDataControllerOperation, Exception);

class TcxCustomDataController;
class TcxCustomDataControllerInfo;
class TcxCustomDataProvider;
class TcxCustomDataSource;
class TcxCustomDataField;
class TcxCustomDataFieldList;
class TcxDataSummary;
class TcxDataSummaryItems;
class TcxDataFilterValueList;
class TcxDataSortKeys;

// No record is being edited (distinct from -1, no record).
constexpr int cxNullEditingRecordIndex = -2147483647;

// Raises EcxInvalidDataControllerOperation with the loaded text of `rec`.
[[noreturn]] void cxDataControllerError(const TcxResourceStringRec& rec);

// ---------------------------------------------------------------------------------------------
// Options and change kinds

enum TcxDataControllerOption {
  dcoAnsiSort, dcoCaseInsensitive, dcoAssignGroupingValues, dcoAssignMasterDetailKeys, dcoSaveExpanding,
  dcoSortByDisplayText, dcoFocusTopRowAfterSorting, dcoGroupsAlwaysExpanded, dcoImmediatePost,
  dcoInsertOnNewItemRowFocusing
};
using TcxDataControllerOptions = TSet<TcxDataControllerOption, 16>;

enum TcxDataControllerChange {
  dccLayout, dccData, dccFocus, dccSelection, dccDetail, dccExpanding, dccSearch, dccSorting, dccGrouping,
  dccDetailData, dccBookmark, dccUpdateRecord
};
using TcxDataControllerChanges = TSet<TcxDataControllerChange, 16>;

enum TcxDataSortOrder : Byte { soNone, soAscending, soDescending };

// Data-change kinds of TcxDataChangedInfo.
enum : Byte { dckValue = 0, dckRecord = 1, dckAdded = 2, dckDeleted = 3, dckAll = 4 };

// Edit state bits (GetEditState) and edit flags (GetEditFlags).
enum : int { dceAppend = 1, dceDelete = 2, dceModify = 4, dceInsert = 8, dceInplace = 16 };
enum : int { dceInserting = 1, dceEditing = 2, dceChanging = 4, dceModified = 8 };

// ---------------------------------------------------------------------------------------------
// Update-info objects: what the controller tells its owner. The owner must not keep them.

class TcxUpdateControlInfo : public TObject {
 public:
  virtual ~TcxUpdateControlInfo() = default;
};
class TcxLayoutChangedInfo : public TcxUpdateControlInfo {};
class TcxDataChangedInfo : public TcxUpdateControlInfo {
 public:
  TcxDataChangedInfo(Byte kind, int itemIndex, int recordIndex) : Kind(kind), ItemIndex(itemIndex), RecordIndex(recordIndex) {}
  Byte Kind;
  int ItemIndex;
  int RecordIndex;
};
class TcxFocusedRowChangedInfo : public TcxUpdateControlInfo {
 public:
  TcxFocusedRowChangedInfo(int row, int prevRow) : FocusedRowIndex(row), PrevFocusedRowIndex(prevRow) {}
  int FocusedRowIndex;
  int PrevFocusedRowIndex;
};
class TcxFocusedRecordChangedInfo : public TcxUpdateControlInfo {
 public:
  TcxFocusedRecordChangedInfo(int prevRecord, int record, int row, int prevRow, bool newItemRowChanged)
      : PrevFocusedRecordIndex(prevRecord), FocusedRecordIndex(record), FocusedRowIndex(row),
        PrevFocusedRowIndex(prevRow), NewItemRowFocusingChanged(newItemRowChanged) {}
  int PrevFocusedRecordIndex;
  int FocusedRecordIndex;
  int FocusedRowIndex;
  int PrevFocusedRowIndex;
  bool NewItemRowFocusingChanged;
};
class TcxSelectionChangedInfo : public TcxUpdateControlInfo {
 public:
  std::vector<int> RowIndexes;
  int ChangedRowCount() const { return int(RowIndexes.size()); }
  int ChangedRowIndex(int i) const { return RowIndexes.at(std::size_t(i)); }
};
class TcxSearchChangedInfo : public TcxUpdateControlInfo {};
class TcxBookmarkChangedInfo : public TcxUpdateControlInfo {};
class TcxUpdateRecordInfo : public TcxUpdateControlInfo {
 public:
  explicit TcxUpdateRecordInfo(int recordIndex) : RecordIndex(recordIndex) {}
  int RecordIndex;
};
class TcxGroupingChangingInfo : public TcxUpdateControlInfo {};

// ---------------------------------------------------------------------------------------------
// Data fields: one per item of the owner, plus internal fields of the controller.

class TcxCustomDataField : public TObject {
 public:
  explicit TcxCustomDataField(TcxCustomDataFieldList* fieldList) : fieldList_(fieldList) {}
  ~TcxCustomDataField() override;

  virtual void AdoptStorage(TcxCustomDataField* source);
  virtual void ComponentRemoved(TComponent* component) {}
  // Whether the field can take an edited value of a value source (0 value, 1 text, 2 lookup key).
  virtual bool CanStoreValue(int valueSource) const;
  virtual bool IsUnboundField() const { return false; }
  virtual bool IsInternalValue() const { return internal_; }

  int Index() const;
  TcxCustomDataController* OwnerController() const;
  TcxCustomDataFieldList* FieldList() const { return fieldList_; }
  TObject* Item() const { return item_; }
  void SetItem(TObject* item);
  bool IsInternal() const { return internal_; }
  TcxValueDef* ValueDef() const;
  TcxValueTypeClass ValueTypeClass() const;
  bool IsTextStored() const;
  TcxCustomDataField* ReferenceField() const { return referenceField_; }
  bool ValueCompare() const { return valueCompare_; }
  void SetValueCompare(bool v) { valueCompare_ = v; }
  int CompareMark() const { return compareMark_; }
  void SetCompareMark(int v) { compareMark_ = v; }
  bool Processed() const { return processed_; }
  void SetProcessed(bool v) { processed_ = v; }

  void MoveTo(int index);
  void ChangeInternal(bool value);
  void ChangeReferenceField(TcxCustomDataField* field);
  void ChangeTextStored(bool value);
  void ChangeValueTypeClass(TcxValueTypeClass value);
  void SuspendValueDef();
  void ResumeValueDef();
  void CreateValueDef();
  void NotifyStructureChanged();

 private:
  // Every write of referenceField_ goes through here (the list counts the fields with one).
  void SetReference(TcxCustomDataField* field);
  friend class TcxCustomDataFieldList;
  friend class TcxCustomDataController;
  TcxCustomDataFieldList* fieldList_;
  // The position in the list, kept by the list (-1 outside it).
  int index_ = -1;
  bool internal_ = false;
  TObject* item_ = nullptr;
  int valueDefLock_ = 0;
  bool valueCompare_ = false;
  int compareMark_ = 0;
  bool processed_ = false;
  TcxCustomDataField* referenceField_ = nullptr;
  bool textStored_ = false;
  TcxValueDef* valueDef_ = nullptr;
  TcxValueTypeClass valueTypeClass_ = nullptr;
};

class TcxCustomDataFieldList : public TObject {
 public:
  explicit TcxCustomDataFieldList(TcxCustomDataController* controller) : controller_(controller) {}
  ~TcxCustomDataFieldList() override { Clear(); }

  virtual void ComponentRemoved(TComponent* component);

  TcxCustomDataField* FieldByItem(TObject* item) const;
  void AddField(TcxCustomDataField* field);
  void Clear();
  int Count() const { return int(items_.size()); }
  int ExternalCount() const { return Count() - internalCount_; }
  TcxCustomDataField* Items(int i) const { return items_.at(std::size_t(i)); }
  int IndexOf(const TcxCustomDataField* f) const;
  TcxCustomDataController* DataController() const { return controller_; }
  bool FieldDestroyed() const { return fieldDestroyed_; }
  // Whether any field of the list shares another's storage (saves scans for sharing fields).
  bool HasReferences() const { return referenceCount_ > 0; }
  void SetFieldDestroyed(bool v) { fieldDestroyed_ = v; }

 private:
  friend class TcxCustomDataField;
  void RemoveField(TcxCustomDataField* field);
  void ReleaseReferences(TcxCustomDataField* field);
  void Recount();
  void Renumber(std::size_t from);
  // byItem_ holds the field of each item of a listed field; an item borne by two fields
  // makes FieldByItem search the list.
  void LinkItem(TcxCustomDataField* field);
  void UnlinkItem(TcxCustomDataField* field);
  std::unordered_map<const TObject*, TcxCustomDataField*> byItem_;
  bool itemsShared_ = false;
  TcxCustomDataController* controller_;
  bool fieldDestroyed_ = false;
  int internalCount_ = 0;
  int referenceCount_ = 0;
  std::vector<TcxCustomDataField*> items_;
};

// ---------------------------------------------------------------------------------------------
// Custom data source and data provider

class TcxCustomDataSource : public TObject {
 public:
  TcxCustomDataSource() = default;
  ~TcxCustomDataSource() override;

  virtual int AppendRecord() { return -1; }
  virtual void CustomSort() {}
  virtual void DeleteRecord(int recordHandle) {}
  virtual int GetDefaultItemID(int itemIndex);
  virtual bool GetDetailHasChildren(int recordIndex, int relationIndex) { return false; }
  virtual String GetDisplayText(int recordHandle, int itemHandle);
  virtual bool GetInfoForCompare(int recordHandle, int itemHandle, const void*& data);
  virtual int GetItemHandle(int itemIndex) { return itemIndex; }
  virtual int GetRecordCount() { return 0; }
  virtual Variant GetRecordId(int recordHandle) { return Null(); }
  virtual int GetRecordHandle(int recordIndex) { return recordIndex; }
  virtual Variant GetValue(int recordHandle, int itemHandle) { return Null(); }
  virtual int InsertRecord(int recordHandle) { return AppendRecord(); }
  virtual bool IsCustomSorting() { return false; }
  virtual bool IsNativeCompare() { return false; }
  virtual bool IsNativeCompareFunc() { return false; }
  virtual bool IsRecordIdSupported() { return false; }
  virtual void LoadRecordHandles();
  virtual int NativeCompareFunc(int recordHandle1, int recordHandle2, int itemHandle) { return 0; }
  virtual void SetRecordCount(int count) {}
  virtual void SetValue(int recordHandle, int itemHandle, const Variant& value) {}
  // Tells the bound controllers that the data changed outside them.
  virtual void DataChanged();

  TcxCustomDataProvider* Provider() const { return currentProvider_ ? currentProvider_ : defaultProvider_; }
  TcxCustomDataController* DataController() const;
  int GetRecordHandleByIndex(int recordIndex);
  int GetRecordIndexByHandle(int recordHandle);
  int AddRecordHandle(int recordHandle);

 private:
  friend class TcxCustomDataProvider;
  void DetachProviders();
  TcxCustomDataProvider* currentProvider_ = nullptr;
  TcxCustomDataProvider* defaultProvider_ = nullptr;
  std::vector<TcxCustomDataProvider*> providers_;
};

class TcxCustomDataProvider : public TObject {
 public:
  explicit TcxCustomDataProvider(TcxCustomDataController* controller);
  ~TcxCustomDataProvider() override;

  virtual void NotifyDataSource();
  virtual bool IsCustomDataSourceSupported() { return true; }
  virtual bool IsCustomSorting();
  virtual bool IsGridMode() { return false; }
  virtual bool IsActiveDataSet() { return false; }
  virtual bool IsOtherInsert() { return false; }
  virtual bool IsRecordIdSupported();
  virtual bool IsSyncMode() { return false; }
  virtual bool IsDataAvailable() { return customDataSource_ != nullptr; }
  virtual bool IsStructureAvailable() { return false; }
  virtual bool IsBOF() { return true; }
  virtual bool IsChanging() { return changing_; }
  virtual bool IsEditing() { return editingRecordIndex_ != cxNullEditingRecordIndex; }
  virtual bool IsEOF() { return true; }
  virtual bool IsGridModeUpdating() { return false; }
  virtual bool IsInserting() { return IsEditing() && inserting_; }
  virtual bool IsModified() { return modified_; }
  virtual bool IsStorageEditing() { return !CanModify(); }
  virtual void RecordAppended(int recordIndex) {}
  virtual void First() { recreatedFields_ = false; }
  virtual void Prior() {}
  virtual void Next() {}
  virtual void Last() {}
  virtual void MoveBy(int distance) {}
  virtual void Scroll(int distance) {}
  virtual void BeginLoad() {}
  virtual void EndLoad() {}
  virtual bool CanAppend() { return CanModify(); }
  virtual bool CanDelete();
  virtual bool CanInitEditing(int recordIndex);
  virtual bool CanInsert() { return CanModify(); }
  virtual bool CanModify() { return true; }
  virtual void Append() { InsertOrAppend(true); }
  virtual bool Cancel();
  virtual void UpdateData();
  virtual int DeleteFocused();
  virtual void Delete(std::vector<int>& recordIndexes);
  virtual void DeleteSelection();
  virtual void Edit() { EditRecord(); }
  // The value of a record for editing, read as the value source asks (0 value, 1 text, 2 key).
  virtual Variant GetValue(int recordIndex, TcxCustomDataField* field, int valueSource);
  virtual void Insert() { InsertOrAppend(false); }
  virtual void Post();
  virtual void PostEditingData() {
    UpdateData();
    EndChanging();
  }
  virtual bool SetEditValue(int recordIndex, TcxCustomDataField* field, int valueSource, const Variant& value);
  virtual void SaveNearestRecord();
  virtual void ClearNearestRecord();
  virtual void SetGroupingValue(int recordIndex, TcxCustomDataField* field, const Variant& value);
  virtual void AssignGroupingValues(int recordIndex, const std::vector<Variant>& values);
  virtual void BeginEditing();
  virtual void InsertOrAppend(bool append);
  virtual void EndChanging() { changing_ = false; }
  virtual void ResetEditing();
  virtual void ResetModified() { modified_ = false; }
  virtual void BeginChanging() { changing_ = true; }
  virtual void EditRecord() { BeginEditing(); }
  virtual void SetModified() { modified_ = true; }
  virtual void BeginLocate() { ++locateCount_; }
  virtual void EndLocate() { --locateCount_; }
  virtual void LockNotification() { ++notificationLockCount_; }
  virtual void UnlockNotification() { --notificationLockCount_; }
  virtual int AppendRecord();
  virtual void DeleteRecord(int recordIndex);
  virtual bool GetDetailHasChildren(int recordIndex, int relationIndex);
  virtual String GetDisplayText(int recordIndex, TcxCustomDataField* field);
  virtual String GetGridModeDisplayText(int recordIndex, TcxCustomDataField* field) { return String(); }
  virtual Variant GetGridModeValue(int recordIndex, TcxCustomDataField* field) { return Null(); }
  virtual Variant GetRecordId(int recordIndex);
  virtual int GetGridModeFocusedRecordIndex() { return -1; }
  virtual Variant GetRecordValue(int recordIndex, TcxCustomDataField* field);
  virtual int InsertRecord(int recordIndex);
  virtual void LoadGridModeBuffer() {}
  virtual int CompareRecords(int recordIndex1, int recordIndex2, TcxCustomDataField* field);
  virtual int NativeCompare(int recordIndex1, int recordIndex2, TcxCustomDataField* field);
  virtual void SetDisplayText(int recordIndex, TcxCustomDataField* field, const String& text) {}
  virtual void SetRecordCount(int count);
  virtual void SetValue(int recordIndex, TcxCustomDataField* field, const Variant& value);
  virtual void ActiveChanged(bool active);
  virtual void DataChanged(Byte kind, int itemIndex, int recordIndex);
  virtual void LayoutChanged();
  virtual void UpdateItems(bool updateFields);

  void SetCustomDataSource(TcxCustomDataSource* source);
  TcxCustomDataSource* CustomDataSource() const { return customDataSource_; }
  void LoadRecordHandles();
  int AddRecordFromSource(int recordHandle);
  // Lets the source append a record and returns its handle (-1 without a source).
  int AppendSourceRecord();
  // The reader that fills a storage record from the provider's current record.
  virtual std::unique_ptr<TcxValueDefReader> CreateValueDefReader();
  void SaveRecord(int recordIndex);
  void FreeSavedRecord();

  TcxCustomDataController* DataController() const { return controller_; }
  int EditingRecordIndex() const { return editingRecordIndex_; }
  void SetEditingRecordIndex(int v) { editingRecordIndex_ = v; }
  int PrevNeighbourRecord() const { return prevNeighbour_; }
  int NextNeighbourRecord() const { return nextNeighbour_; }
  bool HasNeighbour() const {
    return prevNeighbour_ != cxNullEditingRecordIndex || nextNeighbour_ != cxNullEditingRecordIndex;
  }
  int InsertedRecordIndex() const { return insertedRecordIndex_; }
  void SetInsertedRecordIndex(int v) { insertedRecordIndex_ = v; }
  int SavedRecordIndex() const { return savedRecordIndex_; }
  void SetSavedRecordIndex(int v) { savedRecordIndex_ = v; }
  int LocateCount() const { return locateCount_; }
  int NotificationLockCount() const { return notificationLockCount_; }
  bool DataChangedLocked() const { return dataChangedLocked_; }
  bool Activating() const { return activating_; }
  bool RecreatedFields() const { return recreatedFields_; }
  bool InInserting() const { return inInserting_; }
  bool LoadAllNeeded() const { return loadAllNeeded_; }
  void SetLoadAllNeeded(bool v) { loadAllNeeded_ = v; }

 protected:
  bool activating_ = false;
  bool inInserting_ = false;
  bool recreatedFields_ = false;

 private:
  int HandleOf(int recordIndex);
  int ItemHandleOf(TcxCustomDataField* field);
  bool changing_ = false;
  TcxCustomDataSource* customDataSource_ = nullptr;
  bool dataChangedLocked_ = false;
  TcxCustomDataController* controller_;
  int editingRecordIndex_ = cxNullEditingRecordIndex;
  int prevNeighbour_ = cxNullEditingRecordIndex;
  int nextNeighbour_ = cxNullEditingRecordIndex;
  int insertedRecordIndex_ = -1;
  bool inUpdateData_ = false;
  int locateCount_ = 0;
  int notificationLockCount_ = 0;
  bool modified_ = false;
  int savedRecordIndex_ = 0;
  bool inserting_ = false;
  bool loadAllNeeded_ = false;
};

// ---------------------------------------------------------------------------------------------
// The pipeline's lists

struct TcxSortingFieldEntry {
  TcxCustomDataField* Field;
  TcxDataSortOrder SortOrder;
};

class TcxSortingFieldList {
 public:
  virtual ~TcxSortingFieldList() = default;
  virtual void SetFieldOrder(TcxCustomDataField* field, TcxDataSortOrder order);
  int Find(const TcxCustomDataField* field) const;
  void Add(TcxCustomDataField* field, TcxDataSortOrder order);
  void Insert(int index, TcxCustomDataField* field, TcxDataSortOrder order);
  void Delete(int index);
  void Remove(const TcxCustomDataField* field);
  void Move(int from, int to);
  void SetOrderAt(int index, TcxDataSortOrder order);
  void Clear();
  void Merge(const TcxSortingFieldList& other);
  int Count() const { return int(items_.size()); }
  const TcxSortingFieldEntry& Items(int i) const { return items_.at(std::size_t(i)); }
  std::function<void()> OnChanged;

 protected:
  void Changed() {
    if (OnChanged) OnChanged();
  }
  std::vector<TcxSortingFieldEntry> items_;
};

// Grouping fields are always ordered: soNone becomes soAscending.
class TcxGroupingFieldList : public TcxSortingFieldList {
 public:
  void SetFieldOrder(TcxCustomDataField* field, TcxDataSortOrder order) override;
};

// One selected row: level (-1 for a group row), record (the group index for a group row), row.
struct TcxDataSelectionEntry {
  int Level;
  int RecordIndex;
  int RowIndex;
};

class TcxDataSelection : public TObject {
 public:
  explicit TcxDataSelection(TcxCustomDataController* controller) : controller_(controller) {}

  virtual void ClearAnchor() { anchorRowIndex_ = -1; }
  virtual void InsertEntry(int position, int row, int level, int record);
  virtual void ClearEntries() { entries_.clear(); }
  virtual void DeleteEntry(int position);
  virtual void ResizeTo(int count);
  void AddEntry(int position, int row, int level, int record) {
    InsertEntry(position, row, level, record);
    Changed();
  }
  bool FindRow(int row, int& position) const;

  void ClearRows() {
    ClearEntries();
    Changed();
  }
  void ResetAll() {
    ClearAnchor();
    ClearEntries();
    Changed();
  }
  void Delete(int position) {
    DeleteEntry(position);
    Changed();
  }
  int FindGroupEntry(int groupIndex) const;
  int FindRecordEntry(int recordIndex) const;
  bool IsRecordSelected(int recordIndex) const { return FindRecordEntry(recordIndex) != -1; }
  bool IsRowSelected(int row) const {
    int p;
    return FindRow(row, p);
  }
  void SortByRow();
  void Changed() {
    if (OnChanged) OnChanged();
  }
  int Count() const { return int(entries_.size()); }
  TcxDataSelectionEntry& Entries(int i) { return entries_.at(std::size_t(i)); }
  const TcxDataSelectionEntry& Entries(int i) const { return entries_.at(std::size_t(i)); }
  int AnchorRowIndex() const { return anchorRowIndex_; }
  void SetAnchorRowIndex(int row) { anchorRowIndex_ = row; }
  TcxCustomDataController* DataController() const { return controller_; }
  std::function<void()> OnChanged;

 private:
  int anchorRowIndex_ = -1;
  TcxCustomDataController* controller_;
  std::vector<TcxDataSelectionEntry> entries_;
};

struct TcxDataGroupInfo {
  int RowIndex = 0;
  bool Expanded = false;
  int Level = 0;
  int BeginIndex = 0;
  int EndIndex = 0;
  Variant SummaryValues;
  int Parent = -1;    // the group of the level above; -1 for level 0
  int FirstPos = 0;   // first and last positions in the record list covered by the group
  int LastPos = 0;
};

struct TcxRowInfo {
  bool Expanded = false;
  int Level = 0;
  int RecordIndex = -1;
  int GroupIndex = -1;  // the group shown in the row (a data row: its innermost group); -1 ungrouped
};

class TcxDataGroups {
 public:
  void Clear() {
    fields_.clear();
    items_.clear();
    lastLevel_.clear();
    topLevel_.clear();
    rowCount_ = 0;
  }
  void AddField(TcxCustomDataField* field) { fields_.push_back(field); }
  // Called once the groups are built: indexes the top-level and last-level groups.
  void FinishBuild();
  TcxDataGroupInfo& AddGroup() {
    items_.emplace_back();
    return items_.back();
  }
  int Count() const { return int(items_.size()); }
  TcxDataGroupInfo& Items(int i) { return items_.at(std::size_t(i)); }
  const TcxDataGroupInfo& Items(int i) const { return items_.at(std::size_t(i)); }
  int LevelCount() const { return int(fields_.size()); }
  TcxCustomDataField* FieldAt(int level) const { return fields_.at(std::size_t(level)); }

  int RowCount() const;
  // The group shown at the row; -1 for a data row, with `nearest` the group before it.
  int FindGroupOfRow(int row, int* nearest = nullptr) const;
  int ShownGroupOfRow(int groupIndex) const;
  bool IsShownInOwnRow(int groupIndex) const { return ShownGroupOfRow(groupIndex) == groupIndex; }
  TcxRowInfo RowInfo(int row) const;  // record field holds the record position
  int FirstRecordPos(int groupIndex) const;
  int GroupOfRecordPos(int recordPos, int level) const;
  int LastLevelGroupOfRecordPos(int recordPos) const;
  int GroupIndexOfRow(int row) const { return GroupIndexOfRowAtLevel(row, -1); }
  int GroupIndexOfRowAtLevel(int row, int level) const;
  int ChildCount(int groupIndex) const;
  int ChildGroupIndex(int groupIndex, int n) const;
  int ChildRecordPos(int groupIndex, int n) const;
  int TopLevelCount() const { return ChildCount(-1); }
  int TopLevelGroupIndex(int n) const { return ChildGroupIndex(-1, n); }
  int LevelOf(int groupIndex) const;
  int ParentOf(int groupIndex) const;
  void SetRowExpanded(int row, bool expanded, bool recursive);
  void SetAllExpanded(bool expanded);
  bool ExpandParents(int groupIndex, bool includeSelf);
  void Renumber();

 private:
  std::vector<TcxCustomDataField*> fields_;
  std::vector<TcxDataGroupInfo> items_;
  std::vector<int> lastLevel_;
  std::vector<int> topLevel_;
  int rowCount_ = 0;
};

enum : Byte { esExpanded = 1, esSelected = 2 };

struct TcxDataExpandingInfo {
  int Level;
  Variant Value;
  Byte State;
};

class TcxDataExpandingInfos {
 public:
  void AddField(TcxCustomDataField* field);
  void AddInfo(int level, const Variant& value, Byte state) { items_.push_back({level, value, state}); }
  int IndexOfField(const TcxCustomDataField* field) const;
  void Clear() {
    fields_.clear();
    items_.clear();
    saveStates_ = 0;
  }
  void DropForField(const TcxCustomDataField* field) {
    if (IndexOfField(field) != -1) Clear();
  }
  int FieldCount() const { return int(fields_.size()); }
  TcxCustomDataField* Fields(int i) const { return fields_.at(std::size_t(i)); }
  int Count() const { return int(items_.size()); }
  const TcxDataExpandingInfo& Items(int i) const { return items_.at(std::size_t(i)); }
  Byte SaveStates() const { return saveStates_; }
  void SetSaveStates(Byte s) { saveStates_ = s; }

 private:
  std::vector<TcxCustomDataField*> fields_;
  std::vector<TcxDataExpandingInfo> items_;
  Byte saveStates_ = 0;
};

struct TcxDataFocusingInfo {
  bool Changed = false;
  int Level = -1;
  bool PrevNewItemRowFocused = false;
  int PrevRecordIndex = -1;
  int RecordIndex = -1;
  int RowIndex = -1;
  void Reset() { Level = RecordIndex = RowIndex = -1; }
  void CopyFrom(const TcxDataFocusingInfo& o) {
    Level = o.Level;
    PrevRecordIndex = o.PrevRecordIndex;
    RecordIndex = o.RecordIndex;
    RowIndex = o.RowIndex;
    Changed = PrevNewItemRowFocused = false;
  }
};

// Change bits of the pipeline.
enum : Word {
  dcicRecords = 0x0001, dcicGrouping = 0x0002, dcicSorting = 0x0004, dcicFocus = 0x0008, dcicLayout = 0x0010,
  dcicExpanding = 0x0020, dcicFocusedRecord = 0x0040, dcicSelection = 0x0080, dcicSummary = 0x0100,
  dcicFocusedRecordChanged = 0x0200
};

// ---------------------------------------------------------------------------------------------
// The pipeline: which records pass the filters, in which order, how they form groups and rows,
// which row is focused and which rows are selected.

class TcxCustomDataControllerInfo : public TObject {
 public:
  explicit TcxCustomDataControllerInfo(TcxCustomDataController* controller);
  ~TcxCustomDataControllerInfo() override;

  virtual void CheckSelection();
  virtual void Recalculate();

  // Change requests.
  void Lock() { ++lockCount_; }
  void Unlock() {
    --lockCount_;
    CheckChanges();
  }
  int LockCount() const { return lockCount_; }
  void CheckChanges();
  void RefreshRecords();
  void CheckFocusingRecord();
  void SummaryChanged(bool layoutOnly);
  void ExpandingChanged() {
    changes_ |= dcicExpanding;
    expandingFlag_ = true;
  }
  void FocusedRecordChanged(bool markPrevious);
  void GroupingChanged() { changes_ |= dcicGrouping | dcicSorting | dcicSummary; }
  void SortingChanged() { changes_ |= dcicSorting; }
  void SelectionChanged();
  // Replaces the selection with a new one from the controller's factory.
  void RecreateSelection();
  void RemoveField(TcxCustomDataField* field);
  void UpdateField(TcxCustomDataField* field);
  void SetSortOrder(TcxCustomDataField* field, TcxDataSortOrder order);
  void ChangeSortIndex(TcxCustomDataField* field, int index);
  void ClearSorting(bool keepGroupingFields);
  void ChangeGroupIndex(TcxCustomDataField* field, int groupIndex);
  void ClearGrouping() { groupingFields_.Clear(); }

  // Queries.
  bool IsGrouped() const { return groups_.Count() > 0; }
  bool GroupsAlwaysExpanded() const;
  bool IsSummaryOnSelection() const;
  bool IsSortingBySummary() const;
  bool InCalculation() const { return inCalculation_; }
  Word Changes() const { return changes_; }

  int RowCount() const;
  void CheckRowIndex(int row) const;
  TcxRowInfo RowInfo(int row) const;
  int RowIndexByRecordIndex(int record, bool expand);
  int NearestRowIndex(int row) const;
  int FocusedRowIndex() const { return focusingInfo_.RowIndex; }
  int FocusedRecordIndex() const;
  int RecordListIndexOf(int record) const;  // position in the record list, -1

  // Focus.
  void ChangeFocusedRow(int row, bool force);
  void FocusRow(int row);
  void ResetAndFocusRow(int row);
  int FocusedRecordRowIndex(bool afterCollapse);
  void FocusAfterCollapse();

  // Expansion.
  void ChangeExpanding(int row, bool expanded, bool recursive);
  void FullExpand();
  void FullCollapse();

  // Selection.
  void ChangeRowSelection(int row, bool selected);
  void ClearSelection() {
    selection_->ClearRows();
    CheckChanges();
  }
  void ClearSelectionAnchor() { selection_->ClearAnchor(); }
  int SelectedCount() const { return selection_->Count(); }
  int SelectedRowIndex(int i) const { return selection_->Entries(i).RowIndex; }
  bool IsRowSelected(int row) const {
    CheckRowIndex(row);
    return selection_->IsRowSelected(row);
  }
  void UpdateSelectionRows();
  void SaveExpandingState(Byte states);

  // Records were inserted into or deleted from the storage at `record`: record indexes held
  // here (selection, focus) move with their records.
  // With `inRecordList`, the record list still names the records as before the change.
  void ShiftRecordIndexes(int record, int delta, bool inRecordList = true);

  int CompareGroupValues(int a, int b, int level);
  int SortCompare(int a, int b);

  TcxDataGroups& DataGroups() { return groups_; }
  const TcxDataGroups& DataGroups() const { return groups_; }
  TcxSortingFieldList& SortingFields() { return sortingFields_; }
  TcxGroupingFieldList& GroupingFields() { return groupingFields_; }
  TcxSortingFieldList& TotalSortingFields() { return totalSortingFields_; }
  TcxDataSelection* Selection() const { return selection_.get(); }
  const std::vector<int>& RecordList() const { return recordList_; }
  TcxDataFocusingInfo& FocusingInfo() { return focusingInfo_; }
  TcxDataFocusingInfo& PrevFocusingInfo() { return prevFocusingInfo_; }
  TcxDataExpandingInfos& ExpandingInfos() { return expandingInfos_; }
  TcxCustomDataController* DataController() const { return controller_; }
  bool InCanFocusCheck() const { return inCanFocus_; }

 private:
  friend class TcxCustomDataController;
  void ApplyChanges();
  void LoadRecordList();
  void FilterRecords();
  void SortRecords();
  void PrepareSortFields();
  void UnprepareSortFields();
  void BuildGroups();
  void FocusTopRowAfterSorting();
  void RestoreViewState();
  void RestoreFocus();
  void RestoreExpandingState();
  void ReapplySavedGroups();
  void FixGroupedSelection();
  void FixPlainSelection();
  bool IsGroupingConsistent() const;
  void SyncGroupingOrders();
  int GroupRowAtLevel(int group, int level);
  int DataRowOfRecordPos(int group, int pos, bool expand);
  void RebuildPositions();
  bool BuildFastKeys();
  void SortFast();
  void SortGroupsBySummary();
  int CompareFastKeys(int a, int b, int entryFrom, int entryTo) const;

  Word changes_ = 0;
  TcxCustomDataController* controller_;
  TcxDataGroups groups_;
  TcxDataExpandingInfos expandingInfos_;
  bool expandingFlag_ = false;
  bool focusing_ = false;
  TcxDataFocusingInfo focusingInfo_;
  TcxGroupingFieldList groupingFields_;
  bool inCanFocus_ = false;
  bool inCalculation_ = false;
  int lockCount_ = 0;
  TcxDataFocusingInfo prevFocusingInfo_;
  std::vector<int> recordList_;
  std::vector<int> positions_;  // record index -> position in the record list, -1
  bool positionsValid_ = false;
  std::unique_ptr<TcxDataSelection> selection_;
  TcxSortingFieldList sortingFields_;
  TcxSortingFieldList totalSortingFields_;
  // Typed sort keys of the sort fields, kept across runs while the stored values stay.
  std::unique_ptr<TcxDataSortKeys> sortKeys_;
  int fastFieldCount_ = 0;
};

// ---------------------------------------------------------------------------------------------
// The grouping facade

class TcxDataControllerGroups : public TObject {
 public:
  explicit TcxDataControllerGroups(TcxCustomDataController* controller) : controller_(controller) {}

  int GroupingLevelCount() const;
  int ItemIndexOfLevel(int level) const;
  int LevelOfField(const TcxCustomDataField* field) const;
  int LevelOfItem(int itemIndex) const;
  void ChangeItemGroupIndex(int itemIndex, int level);
  void ClearGrouping();
  void ChangeRowExpanding(int row, bool expanded, bool recursive);
  void FullExpand();
  void FullCollapse();
  int GroupIndexOfRow(int row) const;
  int LevelOfGroup(int groupIndex) const;
  int ChildCount(int groupIndex) const;
  int ChildGroupIndex(int groupIndex, int n) const;
  int RecordOfChild(int groupIndex, int n) const;
  void CollectGroupRecords(std::vector<int>& list, int groupIndex) const;
  void CollectRowRecords(std::vector<int>& list, int row) const;
  bool IsRowInsideGroupRow(int row, int groupRow) const;

 private:
  TcxCustomDataControllerInfo* Info() const;
  TcxCustomDataController* controller_;
};

// ---------------------------------------------------------------------------------------------
// The controller's filter

class TcxDataFilterCriteria : public TcxFilterCriteria {
 public:
  explicit TcxDataFilterCriteria(TcxCustomDataController* controller);
  ~TcxDataFilterCriteria() override;

  void Assign(TPersistent* source) override;
  Integer GetIDByItemLink(TObject* link) override;
  void GetNameByItemLink(TObject* link, String& s) override;
  TcxFilterCriteriaItemClass GetItemClass() override;
  TObject* GetItemLinkByID(Integer id) override;
  TObject* GetItemLinkByName(const String& name) override;
  void DoChanged() override;
  TcxFilterCriteriaItem* AddItem(TcxFilterCriteriaItemList* group, TObject* itemLink, TcxFilterOperatorKind kind,
                                 const Variant& value, const String& displayValue) override;
  TcxFilterCriteriaItem* ItemByItemLink(TObject* link) override;

  TcxFilterValueListClass GetValueListClass() override;
  virtual TcxDataFilterValueList* CreateValueList();
  std::function<void(TcxFilterCriteria*, int itemIndex, TcxDataFilterValueList*)> OnGetValueList;
  virtual bool IsFiltering();
  bool Active() const { return active_; }
  void SetActive(bool value);
  bool IsRecordMatching(int recordIndex) { return IsSatisfiedByRecord(reinterpret_cast<Pointer>(intptr_t(recordIndex))); }

 protected:
  // Conditions on a stored column: numbers compared in place, texts of a pooled column tested
  // once per distinct text.
  std::unique_ptr<TcxFilterValueTest> CreateValueTest(TcxFilterCriteriaItem* condition,
                                                      const Variant& preparedValue) override;

 public:
  void RemoveField(TcxCustomDataField* field) { RemoveItemsByItemLink(field); }
  bool IsDestroying() const;
  bool IsInFilterList() const;
  bool IsLoading() const;
  TcxCustomDataController* DataController() const { return controller_; }

 private:
  TObject* FieldOfLink(TObject* link) const;
  bool active_ = false;
  TcxCustomDataController* controller_;
  bool destroying_ = false;
};

// The entries of a column's filter drop-down, read from the controller's records.
class TcxDataFilterValueList : public TcxFilterValueList {
 public:
  explicit TcxDataFilterValueList(TcxFilterCriteria* criteria) : TcxFilterValueList(criteria) {}
  virtual void Load(int itemIndex, bool compareByDisplayText = true, bool filteredOnly = false);
};

class TcxDataFilterCriteriaItem : public TcxFilterCriteriaItem {
 public:
  using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
  void GetDataValue(Pointer data, Variant& v) override;
  void GetFieldCaption(String& s) override;
  void GetFieldName(String& s) override;
  TObject* GetItemLink() const override;
  TcxCustomDataField* Field() const;
};

// ---------------------------------------------------------------------------------------------
// Saved keys (selection kept across deletions by record key)

class TcxSaveObject : public TObject {
 public:
  void SaveFrom(TcxCustomDataController* controller);
  void RestoreTo(TcxCustomDataController* controller);
  bool IsEmpty() const { return detailKeys_.empty() && keys_.empty(); }

 private:
  struct KeyInfo {
    Variant Key;
    int SelectedIndex;
  };
  // An expanded master record: its active relation and the saved state of its detail.
  struct DetailKeyInfo {
    Variant Key;
    int ActiveRelationIndex;
    std::unique_ptr<TcxSaveObject> SubDetail;
  };
  void SaveDetailKeys(TcxCustomDataController* controller);
  void RestoreDetailKeys(TcxCustomDataController* controller);
  void SaveSelectedKeys(TcxCustomDataController* controller);
  void RestoreSelectedKeys(TcxCustomDataController* controller);
  std::vector<DetailKeyInfo> detailKeys_;
  std::vector<KeyInfo> keys_;
};

// ---------------------------------------------------------------------------------------------
// Summaries

enum TcxSummaryKind : Byte { skNone, skSum, skMin, skMax, skCount, skAverage };
enum TcxSummaryPosition : Byte { spGroup, spFooter };
enum TcxSummaryOption { soNullIgnore, soSelectedRecords, soMultipleSelectedRecords };
using TcxSummaryOptions = TSet<TcxSummaryOption, 8>;

class TcxDataSummary;

class TcxDataSummaryGroup;

// One summary item of a collection (footer, default group or summary group items). Its class
// is the controller's GetSummaryItemClass; form descriptions store Format, Kind and Position.
class TcxDataSummaryItem : public TCollectionItem {
  KORVAN_CLASS(TcxDataSummaryItem, TCollectionItem)

 public:
  using CreateArgType = TCollection*;
  // Raises EInvalidOperation outside a summary item collection.
  explicit TcxDataSummaryItem(TCollection* collection);
  ~TcxDataSummaryItem() override;
  void Assign(TPersistent* source) override;
  virtual bool CanCalculate() const;
  virtual String GetValueDisplayText(const Variant& value, bool isFooter) const;
  // The field whose values the item summarises: by default the field of the linked item.
  virtual TcxCustomDataField* DataField() const { return field_; }
  // Whether values of type `t` are shown in the currency format.
  virtual bool IsCurrencyValueType(TVarType t) const;
  // Copies what a descendant adds, after the base properties were copied from `source`.
  virtual void AssignFrom(TcxDataSummaryItem* source) {}
  TcxCustomDataField* Field() const { return field_; }
  void SetField(TcxCustomDataField* field);
  TObject* LinkedItem() const;
  void ChangeLinkedItem(TObject* item);
  TcxSummaryKind Kind() const { return kind_; }
  void SetKind(TcxSummaryKind kind);
  // Footer items always report spFooter.
  TcxSummaryPosition Position() const;
  void SetPosition(TcxSummaryPosition p);
  bool PositionStored() const;
  const String& Format() const { return format_; }
  void SetFormat(const String& f);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  std::function<void(TcxDataSummaryItem*, const Variant&, bool isFooter, String& text)> OnGetText;
  TcxDataSummary* Summary() const { return summary_; }
  TcxDataSummaryItems* SummaryItems() const;

 private:
  friend class TcxDataSummaryItems;
  friend class TcxDataSummary;
  TcxDataSummary* summary_;
  TcxCustomDataField* field_ = nullptr;
  String format_;
  TcxSummaryKind kind_ = skNone;
  TcxSummaryPosition position_ = spFooter;
  bool sorted_ = false;
};

struct TcxSummaryEventArguments {
  int RecordIndex;
  TcxDataSummaryItem* SummaryItem;
};
struct TcxSummaryEventOutArguments {
  Variant Value;
  Variant SummaryValue;
  int CountValue;
  bool Done;
};

class TcxDataSummaryItems : public TcxCollection {
 public:
  // `group` is the summary group holding the items (nullptr for the summary's own).
  TcxDataSummaryItems(TcxDataSummary* summary, TClass itemClass, bool footer, TcxDataSummaryGroup* group = nullptr);
  ~TcxDataSummaryItems() override;
  TcxDataSummaryItem* Add();
  TcxDataSummaryItem* AddLinked(TObject* item, TcxSummaryPosition position, const String& format, TcxSummaryKind kind);
  TcxDataSummaryItem* Items(int i) const { return static_cast<TcxDataSummaryItem*>(TcxCollection::Items(i)); }
  int IndexOf(const TcxDataSummaryItem* item) const;
  int IndexOfField(const TcxCustomDataField* field) const;
  bool IsFooter() const { return footer_; }
  // Group row text: the group-position items' texts joined, in BeginText/EndText.
  String GetGroupSummaryText(const Variant& values) const;
  TcxDataSummaryItem* SortedItem() const;
  // The first item of the controller item at `position` (and of `kind` when `checkKind`);
  // raises "ItemIndex out of range" for a bad item index.
  TcxDataSummaryItem* FindItem(int itemIndex, TcxSummaryPosition position, TcxSummaryKind kind = skNone,
                               bool checkKind = false) const;
  // Per-column access of the grid's summary options: an item is added when data is set and
  // removed again when its kind, format and sorting are all empty.
  TcxSummaryKind GetKindOf(int itemIndex, TcxSummaryPosition position) const;
  String GetFormatOf(int itemIndex, TcxSummaryPosition position) const;
  void SetKindOf(int itemIndex, TcxSummaryPosition position, TcxSummaryKind kind);
  void SetFormatOf(int itemIndex, TcxSummaryPosition position, const String& format);
  // The texts around and between a group row's summaries; a change redraws.
  const String& BeginText() const { return beginText_; }
  void SetBeginText(const String& v);
  const String& EndText() const { return endText_; }
  void SetEndText(const String& v);
  const String& Separator() const { return separator_; }
  void SetSeparator(const String& v);
  void Assign(TPersistent* source) override;
  std::function<void(TcxDataSummaryItems*, const TcxSummaryEventArguments&, TcxSummaryEventOutArguments&)> OnSummary;
  TcxDataSummary* Summary() const { return summary_; }

 protected:
  TPersistent* GetOwner() const override;
  void Update(TCollectionItem* item) override;

 private:
  void ChangedRedraw();
  TcxDataSummary* summary_;
  bool footer_;
  TcxDataSummaryGroup* group_;
  String beginText_ = "(";
  String endText_ = ")";
  String separator_ = ",";
};

// A link from a summary group to a controller item (a grouping column); the controller's
// GetSummaryGroupItemLinkClass names its class.
class TcxDataSummaryGroupItemLink : public TCollectionItem {
  KORVAN_CLASS(TcxDataSummaryGroupItemLink, TCollectionItem)

 public:
  using CreateArgType = TCollection*;
  explicit TcxDataSummaryGroupItemLink(TCollection* collection);
  void Assign(TPersistent* source) override;
  TcxCustomDataField* Field() const { return field_; }
  TObject* LinkedItem() const;
  // Links the controller item; every other group's link to it is unlinked first.
  void ChangeLinkedItem(TObject* item);

 private:
  friend class TcxDataSummary;
  TcxDataSummaryGroup* group_;
  TcxCustomDataField* field_ = nullptr;
};

class TcxDataSummaryGroupItemLinks : public TcxCollection {
 public:
  TcxDataSummaryGroupItemLinks(TcxDataSummaryGroup* group, TClass linkClass);
  ~TcxDataSummaryGroupItemLinks() override;
  TcxDataSummaryGroupItemLink* Add() { return static_cast<TcxDataSummaryGroupItemLink*>(TcxCollection::Add()); }
  TcxDataSummaryGroupItemLink* ItemAt(int i) const {
    return static_cast<TcxDataSummaryGroupItemLink*>(TcxCollection::Items(i));
  }
  int IndexOfLinkedItem(TObject* item) const;
  TcxDataSummaryGroup* Group() const { return group_; }

 protected:
  TPersistent* GetOwner() const override;
  void Update(TCollectionItem* item) override;

 private:
  TcxDataSummaryGroup* group_;
};

// A set of group items for the grouping levels whose grouping item is one of its links.
class TcxDataSummaryGroup : public TCollectionItem {
  KORVAN_CLASS(TcxDataSummaryGroup, TCollectionItem)

 public:
  using CreateArgType = TCollection*;
  explicit TcxDataSummaryGroup(TCollection* collection);
  ~TcxDataSummaryGroup() override;
  void Assign(TPersistent* source) override;
  TcxDataSummaryItems* SummaryItems() const { return items_.get(); }
  void SetSummaryItems(TcxDataSummaryItems* v) { items_->Assign(v); }
  // The link collection, made on first use.
  TcxDataSummaryGroupItemLinks* GetLinks() const;
  void SetLinks(TcxDataSummaryGroupItemLinks* v) { GetLinks()->Assign(v); }
  // Links the controller item; an item is linked by one group at most (the last one linking it).
  void AddLink(TObject* item);
  void RemoveLink(TObject* item);
  int LinkCount() const { return links_ ? links_->Count() : 0; }
  TObject* Links(int i) const { return GetLinks()->ItemAt(i)->LinkedItem(); }
  bool IsLinked(TObject* item) const;
  TcxDataSummary* Summary() const { return summary_; }

 private:
  friend class TcxDataSummary;
  TcxDataSummary* summary_;
  std::unique_ptr<TcxDataSummaryItems> items_;
  mutable std::unique_ptr<TcxDataSummaryGroupItemLinks> links_;
};

class TcxDataSummaryGroups : public TcxCollection {
 public:
  explicit TcxDataSummaryGroups(TcxDataSummary* summary);
  ~TcxDataSummaryGroups() override;
  TcxDataSummaryGroup* Add() { return static_cast<TcxDataSummaryGroup*>(TcxCollection::Add()); }
  TcxDataSummaryGroup* SummaryGroupAt(int i) const { return static_cast<TcxDataSummaryGroup*>(TcxCollection::Items(i)); }
  TcxDataSummary* Summary() const { return summary_; }

 protected:
  TPersistent* GetOwner() const override;
  void Update(TCollectionItem* item) override;

 private:
  TcxDataSummary* summary_;
};

// The summaries of a controller. Form descriptions store DefaultGroupSummaryItems,
// FooterSummaryItems, SummaryGroups and Options. The item collections are made on first use
// with the controller's item and link classes (a descendant controller names its own).
class TcxDataSummary : public TPersistent {
  KORVAN_CLASS(TcxDataSummary, TPersistent)

 public:
  explicit TcxDataSummary(TcxCustomDataController* controller);
  ~TcxDataSummary() override;

  void StartCalculation() { CalculateFooter(); }
  void FinishCalculation() {
    CalculateGroups();
    DoAfterSummary();
  }
  void CalculateAll() {
    StartCalculation();
    FinishCalculation();
  }
  void CalculateFooter();
  void CalculateGroups();
  virtual void DoAfterSummary();
  virtual void Changed(bool redrawOnly);
  void BeginChange();
  void EndChange();
  void DropFieldItems(TcxCustomDataField* field);

  Variant FooterSummaryValue(int index) const;
  String FooterSummaryDisplayText(int index) const;
  TcxDataSummaryItems* GroupSummaryItemsOfLevel(int level) const;
  String GroupSummaryText(int rowIndex) const;
  Variant GroupSummaryValue(int rowIndex, int level, int itemIndex) const;
  String GroupSummaryDisplayText(int rowIndex, int level, int itemIndex) const;
  // The index of the first item of the level's group items that is at spFooter and linked to
  // `item`; -1 when there is none.
  int IndexOfGroupFooterItem(int level, TObject* item) const;

  void Assign(TPersistent* source) override;
  TcxDataSummaryGroup* AddSummaryGroup();
  void DeleteSummaryGroup(int index);
  int SummaryGroupCount() const { return Groups()->Count(); }
  TcxDataSummaryGroup* SummaryGroups(int i) const { return Groups()->SummaryGroupAt(i); }
  TcxDataSummaryGroups* Groups() const;
  void SetGroups(TcxDataSummaryGroups* v) { Groups()->Assign(v); }
  TcxDataSummaryGroup* GroupOfLinkedItem(TObject* item) const;
  TcxDataSummaryItems* FooterSummaryItems() const;
  void SetFooterSummaryItems(TcxDataSummaryItems* v) { FooterSummaryItems()->Assign(v); }
  TcxDataSummaryItems* DefaultGroupSummaryItems() const;
  void SetDefaultGroupSummaryItems(TcxDataSummaryItems* v) { DefaultGroupSummaryItems()->Assign(v); }
  TcxSummaryOptions Options() const { return options_; }
  void SetOptions(TcxSummaryOptions value);
  TcxCustomDataController* DataController() const { return controller_; }
  std::function<void(TcxDataSummary*)> OnAfterSummary;
  // The controller's item and link classes.
  TClass GetItemClass() const;
  TClass GetItemLinkClass() const;

 protected:
  TPersistent* GetOwner() const override;

 private:
  friend class TcxCustomDataControllerInfo;
  friend class TcxDataSummaryItem;
  friend class TcxDataSummaryGroup;
  friend class TcxDataSummaryGroupItemLink;
  void AccumulateRecord(TcxDataSummaryItem* item, int recordIndex, int& count, Variant& value);
  void AccumulateValue(TcxDataSummaryItem* item, int recordIndex, const Variant& value, int& count, Variant& sv);
  void MergePartial(TcxDataSummaryItem* item, const Variant& child, int childCount, Variant& parent, int& parentCount);
  bool CalculateGroupsByMerging();
  void FinalizeValue(TcxDataSummaryItem* item, Variant& value, int count);
  int RecordForSummary(int position) const;
  void AccumulateRange(TcxDataSummaryItems* items, int from, int to, std::vector<Variant>& values,
                       std::vector<int>& counts);
  Variant FinalizeValues(TcxDataSummaryItems* items, std::vector<Variant>& values, std::vector<int>& counts);
  TcxCustomDataController* controller_;
  mutable std::unique_ptr<TcxDataSummaryItems> groupItems_;
  mutable std::unique_ptr<TcxDataSummaryItems> footerItems_;
  mutable std::unique_ptr<TcxDataSummaryGroups> groups_;
  bool destroying_ = false;
  Variant footerValues_ = Null();
  bool inAfterSummary_ = false;
  int lockCount_ = 0;
  TcxSummaryOptions options_;
};

// ---------------------------------------------------------------------------------------------
// Incremental search

class TcxDataControllerSearch : public TObject {
 public:
  explicit TcxDataControllerSearch(TcxCustomDataController* controller) : controller_(controller) {}

  virtual void FocusRecordAt(int position);
  virtual int DoSearch(int start, int end, bool forward, const String& text);
  virtual bool Locate(int itemIndex, const String& text);
  virtual bool LocateNext(bool forward);
  virtual void Lock() { locked_ = true; }
  virtual void Unlock() { locked_ = false; }

  void Cancel();
  int ItemIndex() const;
  bool Searching() const;
  String SearchText() const;
  void SetItemIndex(int itemIndex);
  TcxCustomDataController* DataController() const { return controller_; }

 private:
  TcxCustomDataController* controller_;
  bool locked_ = false;
};

// ---------------------------------------------------------------------------------------------
// Record readers and locate objects

// Values set one by one for value definitions (key values of a locate object).
class TcxValueDefUnboundReader : public TcxValueDefReader {
 public:
  void SetValue(TcxValueDef* def, const Variant& value);
  void ClearValues() { values_.clear(); }
  // Keeps the values of the first `count` definitions only.
  void TruncateValues(int count) {
    if (count < int(values_.size())) values_.resize(std::size_t(count));
  }
  Variant ReadValue(TcxValueDef* def) override;
  bool IsSkipped(TcxValueDef* def) override;

 private:
  std::vector<TcxValueDef*> items_;
  std::vector<std::unique_ptr<Variant>> values_;
};

// Reads the values of one record of a controller.
class TcxValueDefRecordReader : public TcxValueDefReader {
 public:
  TcxValueDefRecordReader(TcxCustomDataController* controller, int recordIndex)
      : controller_(controller), recordIndex_(recordIndex) {}
  String ReadDisplayText(TcxValueDef* def) override;
  Variant ReadValue(TcxValueDef* def) override;
  bool IsSkipped(TcxValueDef* def) override;

 private:
  TcxCustomDataController* controller_;
  int recordIndex_;
};

class TcxDataControllerLocateObject : public TObject {
 public:
  explicit TcxDataControllerLocateObject(TcxCustomDataController* controller) : controller_(controller) {}
  ~TcxDataControllerLocateObject() override { ReleaseKeyRecord(); }
  virtual void ReleaseKeyRecord();
  virtual int FindRecordIndex() = 0;
  void ReadData(TcxValueDefReader* reader);
  int KeyRecordIndex() const { return keyRecordIndex_; }
  TcxCustomDataController* DataController() const { return controller_; }

 protected:
  TcxCustomDataController* controller_;
  int keyRecordIndex_ = 0;
};

class TcxDataControllerKeyLocateObject : public TcxDataControllerLocateObject {
 public:
  using TcxDataControllerLocateObject::TcxDataControllerLocateObject;
  int FindRecordIndex() override;
  std::vector<TcxCustomDataField*> KeyFields;
};

class TcxDataControllerGroupLocateObject : public TcxDataControllerLocateObject {
 public:
  explicit TcxDataControllerGroupLocateObject(TcxCustomDataController* controller);
  int FindRecordIndex() override;
  void SetLevel(int level);
  int Level() const { return level_; }

 private:
  void PrepareFindFields();
  std::vector<TcxCustomDataField*> groupingFields_;
  std::vector<TcxCustomDataField*> findFields_;
  bool binarySearch_ = true;
  int level_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Master-detail relations

class TcxCustomDataRelationList;

// Per master record and relation: the owner's object that owns the detail controller, and the
// cached answer whether the detail has records.
class TcxDetailInfoObject {
 public:
  ~TcxDetailInfoObject();
  TObject* LinkObject = nullptr;  // owned
  bool HasChildren = false;
  bool HasChildrenAssigned = false;
};

// Kept in each master record (in the relation data field): the active relation, whether the
// details are shown, and one info per relation.
class TcxDetailObject : public TObject {
 public:
  int ActiveRelationIndex = -1;
  bool Expanded = false;
  TcxDetailInfoObject* InfoAt(int index) const {
    return index >= 0 && index < int(infos_.size()) ? infos_[std::size_t(index)].get() : nullptr;
  }
  TObject* LinkObjectAt(int index) const {
    TcxDetailInfoObject* i = InfoAt(index);
    return i ? i->LinkObject : nullptr;
  }
  TcxDetailInfoObject* EnsureInfo(int index);
  void SetLinkObject(int index, TObject* link) { EnsureInfo(index)->LinkObject = link; }
  void FreeInfo(int index) {
    if (index >= 0 && index < int(infos_.size())) infos_[std::size_t(index)].reset();
  }
  void Clear() { infos_.clear(); }
  bool HasNoLinks() const;
  bool ClearHasChildrenFlags();
  void CheckActiveRelation(TcxCustomDataRelationList* list);
  int InfoCount() const { return int(infos_.size()); }

 private:
  std::vector<std::unique_ptr<TcxDetailInfoObject>> infos_;
};

class TcxCustomDataRelation : public TObject {
 public:
  TcxCustomDataRelation(TcxCustomDataRelationList* list, TObject* item);
  ~TcxCustomDataRelation() override;
  virtual void FieldRemoved(TcxCustomDataField* field) {}
  virtual void AssignFrom(TcxCustomDataRelation* source) {}
  void Changed();
  int IndexInList() const;
  TcxCustomDataController* DataController() const;
  TcxCustomDataController* DetailDataController() const { return detail_; }
  TObject* Item() const { return item_; }
  TcxCustomDataRelationList* RelationList() const { return list_; }

 private:
  friend class TcxCustomDataController;
  friend class TcxCustomDataRelationList;
  TcxCustomDataController* detail_ = nullptr;
  TObject* item_;
  TcxCustomDataRelationList* list_;
};

class TcxCustomDataRelationList : public TObject {
 public:
  explicit TcxCustomDataRelationList(TcxCustomDataController* controller) : controller_(controller) {}
  ~TcxCustomDataRelationList() override;

  TcxCustomDataRelation* AddRelation(TObject* item);
  int RelationCount() const { return int(items_.size()); }
  TcxCustomDataRelation* Relations(int i) const { return items_.at(std::size_t(i)); }
  TcxCustomDataRelation* FindByItem(TObject* item) const;
  void MoveRelation(int from, int to);
  void LockChanges() { ++lockCount_; }
  void UnlockChanges() {
    if (--lockCount_ == 0) Changed(nullptr);
  }
  void Clear();
  void AssignRelations(TcxCustomDataRelationList* source);
  void FieldRemoved(TcxCustomDataField* field);
  void Changed(TcxCustomDataRelation* relation);
  TcxDetailObject* DetailObjectOf(int recordIndex);
  TcxDetailObject* GetDetailObject(int recordIndex);
  bool HasNoDetails() const;
  bool HasDetailLink(int recordIndex, int relationIndex);
  bool ClearDetailLinks(int recordIndex, int relationIndex);
  TcxCustomDataField* RelationDataField() const { return relationDataField_; }
  TcxCustomDataController* DataController() const { return controller_; }

 private:
  friend class TcxCustomDataRelation;
  friend class TcxCustomDataController;
  void InsertRelation(TcxCustomDataRelation* relation);
  void RemoveRelation(TcxCustomDataRelation* relation);
  void UpdateRelations(TcxCustomDataRelation* relation);
  TcxCustomDataController* controller_;
  TcxCustomDataField* relationDataField_ = nullptr;
  std::vector<TcxCustomDataRelation*> items_;
  int lockCount_ = 0;
};

// ---------------------------------------------------------------------------------------------
// The controller

using TcxDataControllerNotifyEvent = std::function<void(TcxCustomDataController*)>;
using TcxDataRecordEvent = std::function<void(TcxCustomDataController*, int recordIndex)>;
using TcxDataFilterRecordEvent = std::function<void(TcxCustomDataController*, int recordIndex, bool& accept)>;
using TcxDataControllerCompareEvent = std::function<void(TcxCustomDataController*, int record1, int record2,
                                                         int itemIndex, const Variant& v1, const Variant& v2,
                                                         int& compare)>;
using TcxDataRecordChangedEvent = std::function<void(TcxCustomDataController*, int recordIndex, int itemIndex)>;
// A detail was expanded or collapsed: (data controller, record index).
using TcxDataDetailExpandedEvent = TcxDataRecordEvent;
using TcxDataDetailExpandingEvent = std::function<void(TcxCustomDataController*, int recordIndex, bool& allow)>;
using TcxSenderEvent = std::function<void(TObject* sender)>;

class TcxDataListenerLink {
 public:
  explicit TcxDataListenerLink(TcxCustomDataController* c) : DataController(c) {}
  TcxCustomDataController* DataController;
};

class TcxCustomDataController : public TPersistent {
 public:
  explicit TcxCustomDataController(TComponent* owner);
  ~TcxCustomDataController() override;
  void BeforeDestruction() override;
  void Assign(TPersistent* source) override;

  int AddRefNoCount() { return -1; }
  int ReleaseNoCount() { return -1; }

  // Makes the provider, the filter and the selection again through the factories below. The
  // base constructor's virtual calls reach only the base factories, so a descendant that
  // returns companions of its own calls this at the end of its constructor.
  void RecreateCompanions();

  // --- virtual operations
  virtual TcxCustomDataField* CreateInternalField();
  virtual TcxCustomDataField* CreateField();
  virtual int GetFocusedRecordIndexForEditing();
  virtual bool DoDetailExpandingOrCollapsing(int recordIndex, bool expanding);
  virtual bool CanFocusRecord(int recordIndex);
  virtual bool CanSelectRow(int rowIndex) { return true; }
  virtual void CheckBookmarkValid(int recordIndex);
  virtual void ResetDataSetCurrent() {}
  virtual void CheckEditingRecordDeleted(int recordIndex);
  virtual bool CanChangeFocusedRow() { return true; }
  virtual void LoadRecord(int sourceRecordIndex, int recordIndex);
  virtual void DeleteStorageRecord(int recordIndex);
  virtual void BeforeNotifyChanges() {}
  virtual void DoAfterCancel();
  virtual void DoAfterDelete();
  virtual void DoAfterInsert();
  virtual void DoAfterPost();
  virtual void DoBeforeCancel();
  virtual void DoBeforeDelete(int recordIndex);
  virtual void DoBeforeInsert();
  virtual void DoBeforePost();
  virtual bool DoFilterRecord(int recordIndex);
  virtual bool HasFilterRecordHandler() { return bool(OnFilterRecord_); }
  virtual void DoNewRecord(int recordIndex);
  virtual void DoDataChanged();
  virtual void RecordAppended(int recordIndex);
  virtual TObject* FindItemByID(int id);
  virtual TObject* FindItemByName(const String& name);
  virtual int GetFocusedRecordIndex();
  virtual TcxCustomDataProvider* CreateDataProvider();
  virtual TcxDataSelection* CreateDataSelection();
  virtual int GetEditState();
  virtual int GetEditFlags();
  virtual TcxCustomDataField* NewField();
  virtual TcxDataFilterCriteria* CreateFilterCriteria();
  virtual String GetDisplayTextByField(int recordIndex, TcxCustomDataField* field);
  virtual int GetItemID(TObject* item) { return -1; }
  virtual String GetItemName(TObject* item);
  virtual Variant GetKeyValues(int recordIndex, const std::vector<TcxCustomDataField*>& keyFields);
  virtual Variant GetValueByField(int recordIndex, TcxCustomDataField* field);
  virtual void GetKeyFields(std::vector<TcxCustomDataField*>& list) {}
  virtual int GetSyncFocusedRecordIndex();
  virtual bool IsBookmarkAffected(int recordIndex);
  virtual void ClearBookmark() { bookmarkRecordIndex_ = -1; }
  virtual bool GotoBookmark() { return ChangeFocusedRecordIndex(bookmarkRecordIndex_); }
  virtual bool SaveBookmark();
  virtual bool IsProviderField(TcxCustomDataField* field);
  virtual bool IsDestroying() const;
  virtual bool IsSingleSelection() const { return !multiSelect_; }
  virtual bool IsImmediatePost();
  virtual bool HasRecordKeys();
  virtual bool IsLoading() const;
  virtual bool IsStructureRecreated();
  virtual bool IsProviderMode() const;
  virtual bool IsSmartLoad() { return false; }
  virtual bool NeedsFocusReset() { return false; }
  virtual bool IsUnboundStorage();
  virtual void ClearData();
  virtual bool IsSummaryLocked() { return false; }
  virtual void DoDataLoaded() {}
  virtual void UpdateField(TcxCustomDataField* field) {}
  virtual void CopyStoredValue(TcxValueDef* def, int sourceRecord, int destRecord);
  virtual void ComponentRemoved(TComponent* component);
  virtual void UpdateStructure();
  virtual void DataLoaded() {
    if (DetailMode() == 2) changes_ += dccDetailData;
    DoDataLoaded();
  }
  virtual void UpdateFields();
  virtual void CheckFocusing();
  virtual bool NeedsRecordIDs() { return false; }
  virtual void ClearInternalRecordsHandler();
  virtual void FieldRemoved(TcxCustomDataField* field);
  virtual void FilterChanged();
  virtual void SummaryChanged(bool redrawOnly);
  virtual void ActiveChanged(bool active);
  virtual void DataChanged(Byte kind, int itemIndex, int recordIndex);
  virtual void ProviderLayoutChanged() { CheckFocusing(); }
  virtual void LayoutChanged(int changes);
  virtual void BeforeFocusedRowChange(int newRowIndex) {}
  virtual void ItemValueTypeClassChanged(int itemIndex) {}
  virtual void UpdateControl(TcxUpdateControlInfo* info);
  virtual String GetSearchDisplayText(int recordIndex, int itemIndex) { return GetDisplayText(recordIndex, itemIndex); }
  virtual String GetFilterDisplayText(int recordIndex, int itemIndex) { return GetDisplayText(recordIndex, itemIndex); }
  virtual int CompareByField(int record1, int record2, TcxCustomDataField* field);
  virtual int CompareEqual(int record1, int record2) { return record1 < record2 ? -1 : (record1 > record2 ? 1 : 0); }
  virtual int CompareWithSortOrder(int record1, int record2, bool forGrouping, const TcxSortingFieldEntry& entry);
  virtual Variant GetComparedValue(int recordIndex, TcxCustomDataField* field);
  virtual bool UseControllerCompare(TcxCustomDataField* field);
  virtual bool IsFilterItemSortByDisplayText(int itemIndex);
  virtual bool NeedConversion(TcxCustomDataField* field);
  virtual bool IsSortByDisplayText(TcxCustomDataField* field);
  virtual void BeginUpdate() { BeginInfoUpdate(); }
  virtual void EndUpdate() { EndInfoUpdate(); }
  // A filter criteria the controller frees at its end; one freed before leaves the list.
  virtual TcxDataFilterCriteria* CreateFilter();
  // Frees a criteria made by CreateFilter (the controller frees the rest at its end).
  void DestroyFilter(TcxDataFilterCriteria* filter);
  virtual TcxCustomDataField* AddItem(TObject* item);
  virtual bool RefreshIfSorted(int itemIndex);
  virtual void DoPendingNotifications();
  virtual void RemoveItem(TObject* item);
  virtual void UpdateItemIndexes();
  virtual bool IsDataChangeLocked() const { return dataChangeLockCount_ != 0; }
  virtual void ChangeItemValueCompare(int itemIndex, bool value);
  virtual void ChangeTextStored(int itemIndex, bool value);
  virtual void ChangeValueTypeClass(int itemIndex, TcxValueTypeClass value);
  // The item at a position: by default the item object the field was added with.
  virtual TObject* GetItem(int index);
  virtual int GetItemCount() const;
  virtual bool IsItemTextStored(int itemIndex, bool forSorting) { return GetItemTextStored(itemIndex); }
  virtual Variant GetValueForGrouping(int recordIndex, TcxCustomDataField* field) { return GetValueByField(recordIndex, field); }
  virtual std::vector<Variant> GetGroupingValues(int recordIndex);
  virtual String GetDisplayText(int recordIndex, int itemIndex);
  virtual int GetRecordCount() const;
  virtual Variant GetRecordId(int recordIndex);
  virtual Variant GetValue(int recordIndex, int itemIndex);
  virtual void Refresh();
  virtual void SetDisplayText(int recordIndex, int itemIndex, const String& text);
  virtual void SetRecordCount(int count);
  virtual void SetValue(int recordIndex, int itemIndex, const Variant& value);
  virtual void Append();
  virtual void Cancel();
  virtual bool CanInitEditing(int itemIndex);
  virtual void EnsureBrowseMode() {}
  virtual void DeleteFocused();
  virtual void DeleteSelection();
  virtual void Edit();
  virtual Variant GetEditValue(int itemIndex, int valueSource);
  virtual int GetItemValueSource(int itemIndex) { return 1; }
  virtual void Insert();
  virtual void Post();
  virtual void PostEditingData();
  virtual void RefreshExternalData() {}
  virtual bool SetEditValue(int itemIndex, const Variant& value, int valueSource);
  virtual void UpdateEditingData() {}
  virtual int GetEditingRecordIndex();
  virtual int GetNewItemRecordIndex();
  virtual void EndDataLoad();
  virtual void BeginDataLoad();
  virtual bool IsBookmarkAvailable() const { return bookmarkRecordIndex_ != -1; }
  virtual bool IsBookmarkRow(int rowIndex);
  virtual Variant GetFilterDataValue(int recordIndex, TcxCustomDataField* field) { return GetValueByField(recordIndex, field); }
  // The column whose stored value GetValueByField and GetFilterDataValue answer for `field` in
  // every ordinary record, which passes over many records (filters, the pivot grid) then read
  // in place; nullptr where either answers anything else (a descendant that overrides one of
  // them overrides this too).
  virtual TcxValueDef* InPlaceValueDef(TcxCustomDataField* field);
  virtual String GetFilterItemFieldCaption(TObject* item) { return String(); }
  virtual String GetFilterItemFieldName(TObject* item) { return GetFilterItemFieldCaption(item); }
  virtual bool GetItemSortByDisplayText(int itemIndex, bool defaultValue) { return false; }
  virtual bool IsIncrementalFiltering() { return incrementalFilterField_ != nullptr && !incrementalFilterText_.empty(); }
  virtual bool MatchesIncrementalFilter(int recordIndex);
  virtual bool LocateInGridMode(const String& text, bool forward, bool next) { return false; }
  virtual TcxDataControllerSearch* CreateSearch() { return new TcxDataControllerSearch(this); }
  virtual void ChangeRowSelection(int rowIndex, bool selected);
  virtual void ClearSelectionAnchor();
  virtual Variant GetSelectionRecordKey(int recordIndex) { return Variant(recordIndex); }
  virtual int GetSelectedRowIndex(int index);
  virtual int GetSelectionAnchorRowIndex();
  virtual bool IsSelectionAnchorAssigned() { return GetSelectionAnchorRowIndex() != -1; }
  virtual void SelectAll();
  virtual void SelectFromAnchor(int rowIndex, bool keepSelection);
  virtual void SetSelectionAnchor(int rowIndex);
  virtual void SelectFocusedRow();
  virtual int CountSelectedRows();
  virtual bool IsRowSelected(int rowIndex);
  virtual void ClearSelection();

  // --- brackets and delivery
  void BeginInfoUpdate() { info_->Lock(); }
  void EndInfoUpdate();
  int InfoLockCount() const { return info_->LockCount(); }
  void BeginUpdateFields() { ++updateFieldsLockCount_; }
  void EndUpdateFields();
  void BeginKeepState();
  void EndKeepState();
  void BeginLocate();
  void EndLocate();
  void LockDataChanged() { ++dataChangeLockCount_; }
  void UnlockDataChanged() { --dataChangeLockCount_; }
  bool IsNotificationLocked() const;
  void Change(TcxDataControllerChanges changes);
  void NotifyControl(TcxUpdateControlInfo* info);
  void CheckChanges();
  void AddDataChangedListener(TObject* object, const TcxSenderEvent& handler);
  void RemoveDataChangedListener(TObject* object);
  void UpdateItems(bool updateFields);
  void UpdateData(bool updateFields);
  void UpdateUseRecordIDs();
  void CheckSelectionAndBookmark(int recordIndex);
  void NotifyGroupingChanging();
  void RequestRefresh() { Refresh(); }
  bool IsInfoReady() const { return !info_->InCalculation(); }
  void CheckItemRange(int itemIndex) const;
  void CheckRecordRange(int recordIndex);
  TcxValueTypeClass ItemValueTypeClass(int itemIndex);
  bool GetItemValueCompare(int itemIndex);
  bool GetItemTextStored(int itemIndex);
  void SetValueTypeClass(int itemIndex, TcxValueTypeClass value) { ChangeValueTypeClass(itemIndex, value); }
  TcxCustomDataField* FieldOfItem(int itemIndex) const;
  bool IsNewItemRecord(int recordIndex);

  // --- values and records
  Variant GetStoredValue(int recordIndex, TcxCustomDataField* field);
  int AppendRecord();
  int InsertRecord(int recordIndex);
  void DeleteRecord(int recordIndex);
  // Smart load: appends one record taken from the provider, without reloading the others.
  int LoadStorage();
  // A bracket for appending many records: the pipeline learns of them once, at the end.
  void BeginReadRecords();
  void EndReadRecords();
  // Appends a storage record: in provider mode the record of `recordHandle`, otherwise one
  // filled from `reader` (all null without one). Returns its index, -1 when none was added.
  int AppendRecordFromReader(TcxValueDefReader* reader, int recordHandle = -1);
  int CompareRecordValues(int record1, int record2, TcxCustomDataField* field);
  // Allocates an internal record; never -1.
  int NewInternalRecord();

  // --- rows and focus
  int RowCount() const { return info_->RowCount(); }
  TcxRowInfo RowInfoAt(int rowIndex) const { return info_->RowInfo(rowIndex); }
  int RowIndexOfRecord(int recordIndex, bool expand = true);
  int GetNearestRowIndex(int rowIndex) const { return info_->NearestRowIndex(rowIndex); }
  String RowDisplayText(const TcxRowInfo& info, int& itemIndex);
  Variant RowValue(const TcxRowInfo& info, int itemIndex);
  int FocusedRowIndex() const { return info_->FocusedRowIndex(); }
  int FocusedRecordIndex() { return GetFocusedRecordIndex(); }
  bool ChangeFocusedRowIndex(int rowIndex);
  void SetFocusedRowIndex(int rowIndex) { ChangeFocusedRowIndex(rowIndex); }
  bool ChangeFocusedRecordIndex(int recordIndex);
  void CheckFocusedRow();
  int LastRecordIndex();
  void FocusNearestRecord();
  bool IsGridMode();
  void GotoFirst();
  void GotoLast();
  void GotoNext();
  void GotoPrev();
  void MoveBy(int distance);
  bool IsBOF();
  bool IsEOF();
  bool IsEditing();
  void PostIfEditing() {
    if (IsEditing()) Post();
  }
  void SetNewItemRowFocused(bool value);
  void ResetNewItemRowFocused() { newItemRowFocused_ = false; }
  bool NewItemRowFocused() const { return newItemRowFocused_; }
  void SetUseNewItemRowForEditing(bool value);
  bool UseNewItemRowForEditing() const { return useNewItemRowForEditing_; }
  bool IsNewItemRowEditing() const;

  // --- sorting, grouping, selection, bookmark
  TcxDataSortOrder ItemSortOrder(int itemIndex);
  int ItemSortIndex(int itemIndex);
  int SortingItemCount() { return info_->SortingFields().Count(); }
  int SortingItemIndex(int position) { return info_->SortingFields().Items(position).Field->Index(); }
  void ChangeItemSortOrder(int itemIndex, TcxDataSortOrder order);
  void ChangeItemSortIndex(int itemIndex, int position);
  void ClearSorting(bool keepGrouping);
  void SetMultiSelect(bool value);
  bool MultiSelect() const { return multiSelect_; }
  void SelectRows(int row1, int row2);
  void ChangeFocusedRowSelected(bool value);
  virtual bool FocusSelectedRow(int index);
  bool SaveBookmarkNotify();
  void ClearBookmarkNotify();
  bool GotoBookmarkIfAvailable() { return IsBookmarkAvailable() && GotoBookmark(); }
  int BookmarkRecordIndex() const { return bookmarkRecordIndex_; }
  // Every selected row (in selection order), or every row, with its row info.
  virtual void ForEachRow(bool selectedOnly, const std::function<void(int rowIndex, const TcxRowInfo& info)>& proc);
  // An action handled by the controller (none here; a bound controller passes it to its link).
  virtual bool ExecuteAction(TObject* action) { return false; }
  virtual bool UpdateAction(TObject* action) { return false; }
  int SortingBySummaryDataItemIndex() const { return sortingBySummaryField_ ? sortingBySummaryField_->Index() : -1; }
  void SetSortingBySummaryDataItemIndex(int itemIndex);
  // The item of this controller with the ID of `item`; items without an ID (-1) correspond only
  // to themselves, so that they never all map onto the first item.
  // The classes of summary items and of summary group links (TCollectionItem descendants
  // created with their collection).
  virtual TClass GetSummaryItemClass() const { return TcxDataSummaryItem::StaticClass(); }
  virtual TClass GetSummaryGroupItemLinkClass() const { return TcxDataSummaryGroupItemLink::StaticClass(); }
  virtual TObject* FindCorrespondingItem(TObject* item) {
    int id = GetItemID(item);
    if (id == -1) return fields_->FieldByItem(item) != nullptr ? item : nullptr;
    return FindItemByID(id);
  }
  int FindKeyRecord(int keyRecord, const std::vector<TcxCustomDataField*>& fields);
  int FindGroupRecord(int keyRecord, int levelCount);
  virtual void BeforeLocate() {}
  virtual void AfterLocate() {}

  // --- master-detail
  TcxCustomDataRelationList* RelationList();
  bool HasRelations() const { return relations_ != nullptr; }
  int DetailMode() const;  // 0 normal, 1 pattern, 2 clone
  bool IsDetailMode() const { return masterRelation_ != nullptr; }
  virtual TcxCustomDataController* GetMasterDataController() const;
  virtual int GetMasterRecordIndex() const { return masterRecordIndex_; }
  virtual TcxCustomDataRelation* GetMasterRelation() const { return masterRelation_; }
  TcxCustomDataController* GetRootDataController();
  TcxCustomDataController* GetPatternDataController();
  virtual void SetMasterRelation(TcxCustomDataRelation* relation, int masterRecordIndex);
  void SetMasterMode(TcxCustomDataRelation* relation, bool isPattern);
  void SetIsPattern(bool value);
  virtual TcxCustomDataRelation* NewRelation(TcxCustomDataRelationList* list, TObject* item) {
    return new TcxCustomDataRelation(list, item);
  }
  virtual int GetDefaultActiveRelationIndex() { return 0; }
  virtual TObject* CreateDetailLinkObject(TcxCustomDataRelation* relation, int recordIndex) { return nullptr; }
  virtual TcxCustomDataController* GetDetailDataControllerByLinkObject(TObject* linkObject) { return nullptr; }
  virtual void DoDetailExpanded(int recordIndex);
  virtual void DoDetailCollapsed(int recordIndex);
  virtual bool IsDetailFocusSynchronized() { return false; }
  virtual void ShiftDetailsAfterInsert(int recordIndex);
  virtual void ShiftDetailsAfterDelete(int recordIndex);
  virtual bool UpdateDetailControllers();
  virtual void NotifyMasterOrChange();
  // Called by the owning view: a detail that follows its master brings its records in line
  // (the base has nothing to do).
  virtual void SyncMasterPosition() {}
  int GetDetailActiveRelationIndex(int recordIndex);
  void ChangeDetailActiveRelationIndex(int recordIndex, int relationIndex);
  bool GetDetailExpanding(int recordIndex);
  bool ChangeDetailExpanding(int recordIndex, bool expand);
  TObject* GetDetailLinkObject(int recordIndex, int relationIndex);
  TcxCustomDataController* GetDetailDataController(int recordIndex, int relationIndex) {
    return GetDetailDataControllerByLinkObject(GetDetailLinkObject(recordIndex, relationIndex));
  }
  bool IsDetailDataControllerExist(int recordIndex, int relationIndex);
  bool GetDetailHasChildren(int recordIndex, int relationIndex);
  void ClearDetailLinkObject(int recordIndex, int relationIndex);
  void ClearDetails();
  void CollapseDetails();
  void ResetHasChildrenFlags();
  void ResetRelationDetails(TObject* relationItem);
  void CheckMasterHasChildren();
  bool CanHaveDetails();
  void FocusActiveDetail(int recordIndex);
  // Calls `proc` with every existing detail controller of `relation`, walking from the root
  // controller down the chain of relations that leads to it.
  void ForEachDetail(TcxCustomDataRelation* relation, const std::function<void(TcxCustomDataController*)>& proc);

  // --- the unbound data stream "DataController1"
  void WriteDataToStream(TStream& stream);
  void ReadDataFromStream(TStream& stream);

  // --- incremental filter and text location
  int ChangeIncrementalFilterText(int itemIndex, const String& text);
  bool SetIncrementalFilterText(const String& text);
  void ResetIncrementalFilter();
  const String& GetIncrementalFilterText() const { return incrementalFilterText_; }
  int FindRecordIndexByText(int start, int itemIndex, const String& text, bool partial, bool wrap, bool forward);
  int FilteredRecordCount() const { return int(info_->RecordList().size()); }
  int FilteredRecordIndex(int position) const { return info_->RecordList().at(std::size_t(position)); }
  int FilteredRecordListIndexOf(int recordIndex) const { return info_->RecordListIndexOf(recordIndex); }
  void SyncSelectionWithFocus();
  TcxDataControllerSearch* Search() const { return search_.get(); }
  bool Searching() const { return incrementalSearching_; }
  const String& SearchText() const { return incrementalSearchText_; }

  // --- companions and state
  TComponent* Owner() const { return owner_; }
  TcxDataStorage* Storage() const { return storage_.get(); }
  TcxCustomDataFieldList* Fields() const { return fields_.get(); }
  TcxCustomDataProvider* Provider() const { return provider_.get(); }
  TcxCustomDataControllerInfo* Info() const { return info_.get(); }
  TcxDataControllerGroups* Groups() const { return groups_.get(); }
  TcxDataFilterCriteria* Filter() const { return filter_.get(); }
  void SetFilter(TcxDataFilterCriteria* value) { filter_->Assign(value); }
  TcxDataSummary* Summary() const { return summary_.get(); }
  TcxCustomDataField* RecordHandlesField() const { return recordHandlesField_; }
  TcxDataControllerOptions GetOptions() const { return options_; }
  void SetOptions(TcxDataControllerOptions value);
  TcxDataControllerChanges PendingChanges() const { return changes_; }
  bool Active() const { return active_; }
  bool InSetCustomDataSource() const { return inSetCustomDataSource_; }
  void SetInSetCustomDataSource(bool v) { inSetCustomDataSource_ = v; }
  bool InDeleteSelection() const { return inDeleteSelection_; }
  bool InLoadStorage() const { return inLoadStorage_; }
  bool InNotifyControl() const { return inNotifyControl_; }
  bool IsPattern() const { return DetailMode() == 1; }
  int NearestRecordIndex() const { return nearestRecordIndex_; }
  void SetNearestRecordIndex(int v) { nearestRecordIndex_ = v; }
  bool FocusCheckAfterFilter() const { return focusCheckAfterFilter_; }
  void SetFocusCheckAfterFilter(bool v) { focusCheckAfterFilter_ = v; }
  bool& GroupingChangedFlag() { return groupingChanged_; }
  bool& SortingChangedFlag() { return sortingChanged_; }
  bool& FilterChangedFlag() { return filterChanged_; }
  bool& StorageLoadedFlag() { return storageLoaded_; }
  bool& SortingBySummaryChangedFlag() { return sortingBySummaryChanged_; }
  bool FocusedRowSelected() const { return focusedRowSelected_; }
  bool InCancel() const { return inCancel_; }
  bool InternalFind() const { return internalFind_; }
  void SetInternalFind(bool v) { internalFind_ = v; }
  void UpdatePrevSelectionInfo();
  void RefreshSelectionAfterChange();
  bool HasCompareHandler() const { return bool(OnCompare); }

  // Events.
  TcxDataControllerNotifyEvent OnAfterCancel, OnAfterDelete, OnAfterInsert, OnAfterPost, OnBeforeCancel,
      OnBeforeInsert, OnBeforePost;
  TcxDataRecordEvent OnBeforeDelete, OnNewRecord;
  const TcxDataFilterRecordEvent& OnFilterRecord() const { return OnFilterRecord_; }
  void SetOnFilterRecord(const TcxDataFilterRecordEvent& handler);
  TcxDataControllerCompareEvent OnCompare;
  TcxSenderEvent OnDataChanged;
  TcxDataDetailExpandingEvent OnDetailCollapsing, OnDetailExpanding;
  TcxDataDetailExpandedEvent OnDetailCollapsed, OnDetailExpanded;
  TcxSenderEvent OnGroupingChanged, OnSortingChanged;
  TcxDataRecordChangedEvent OnRecordChanged;
  // The public hook every update-info object reaches (the base UpdateControl calls it).
  std::function<void(TcxUpdateControlInfo*)> OnUpdateControl;

 protected:
  void DispatchChanges();
  void NotifyDataChanged();
  void NotifyFocusChanged();
  void NotifySelectionChanged();
  void ResetDataChangeInfo();
  void LoadRecordsFromProvider();

 private:
  friend class TcxCustomDataControllerInfo;
  friend class TcxCustomDataProvider;
  friend class TcxSaveObject;
  friend class TcxDataFilterCriteria;
  friend class TcxDataSummary;
  friend class TcxDataControllerSearch;
  friend class TcxCustomDataRelation;
  friend class TcxCustomDataRelationList;

  bool active_ = false;
  bool afterSummaryPending_ = false;
  int bookmarkRecordIndex_ = -1;
  bool dataChangedPending_ = false;
  int dataChangeLockCount_ = 0;
  TcxDataControllerChanges changes_;
  bool focusCheckAfterFilter_ = false;
  struct Listener {
    TObject* Object;
    TcxSenderEvent Handler;
  };
  std::vector<Listener> dataChangedListeners_;
  bool destroying_ = false;
  bool groupingChanged_ = false;
  bool storageLoaded_ = false;
  bool filterChanged_ = false;
  bool focusedRowSelected_ = true;
  bool inCancel_ = false;
  bool inLoadStorage_ = false;
  bool inNotifyControl_ = false;
  bool inSortingChangedEvent_ = false;
  bool internalFind_ = false;
  bool inSetCustomDataSource_ = false;
  bool inSmartLoad_ = false;
  int readRecordsLockCount_ = 0;
  bool readRecordsAppended_ = false;
  int locateCount_ = 0;
  int updateFieldsLockCount_ = 0;
  bool updateFieldsPending_ = false;
  int newItemRecordIndex_ = 0;
  bool newItemRowFocused_ = false;
  bool multiSelect_ = false;
  TComponent* owner_;
  TcxDataControllerOptions options_;
  int prevSelectedCount_ = 0, prevSelectedRow_ = -1;
  TcxCustomDataField* recordHandlesField_ = nullptr;
  std::unique_ptr<TcxSaveObject> keptState_;
  int keptStateLockCount_ = 0;
  int selectedCount_ = 0, selectedRow_ = -1;
  bool sortingBySummaryChanged_ = false;
  bool sortingChanged_ = false;
  bool structureChanged_ = false;
  bool structureRecreated_ = false;
  bool updatingItems_ = false;
  bool useNewItemRowForEditing_ = false;
  TcxDataFilterRecordEvent OnFilterRecord_;
  // The merged description of the data changes since the last delivery; `dataChangeSet_` is
  // set while one is pending.
  Byte dataChangeKind_ = dckAll;
  int dataChangeItem_ = -1;
  int dataChangeRecord_ = -1;
  bool dataChangeSet_ = false;
  bool inDeleteSelection_ = false;
  int nearestRecordIndex_ = -1;
  TcxDataFocusingInfo reportedFocus_;
  std::vector<TcxDataListenerLink*> listenerLinks_;

  std::unique_ptr<TcxDataStorage> storage_;
  std::unique_ptr<TcxCustomDataFieldList> fields_;
  std::unique_ptr<TcxDataControllerGroups> groups_;
  std::vector<TcxDataFilterCriteria*> filters_;
  std::unique_ptr<TcxDataFilterCriteria> filter_;
  std::unique_ptr<TcxDataSummary> summary_;
  std::unique_ptr<TcxDataControllerSearch> search_;
  std::unique_ptr<TcxCustomDataRelationList> relations_;
  TcxCustomDataRelation* masterRelation_ = nullptr;
  int masterRecordIndex_ = -1;
  bool patternRequested_ = false;
  TcxCustomDataController* creatingDetail_ = nullptr;
  bool creatingLinkObject_ = false;
  bool recreatingLinkObject_ = false;
  bool detailExpanding_ = false;
  bool inFocusDetails_ = false;
  TcxCustomDataField* incrementalFilterField_ = nullptr;
  TcxCustomDataField* sortingBySummaryField_ = nullptr;
  String incrementalFilterText_;
  TcxCustomDataField* incrementalSearchField_ = nullptr;
  bool incrementalSearching_ = false;
  String incrementalSearchText_;
  std::unique_ptr<TcxCustomDataProvider> provider_;
  std::unique_ptr<TcxCustomDataControllerInfo> info_;
};

// A controller that is active from its creation.
class TcxDataController : public TcxCustomDataController {
 public:
  explicit TcxDataController(TComponent* owner);
};
