// The pivot grid's engine: the control with its change machine, the fields in four areas with
// dense positions and field groups, the options objects, group values and value filters, the
// data builder with the row and column trees, the cross cells with their summaries and the
// view data that flattens the trees into header rows and columns.
//
// Sources by theme: cxCustomPivotGrid.cpp (control, change run, clipboard, companions),
// cxCustomPivotGridFields.cpp (fields, positions, field groups), cxCustomPivotGridOptions.cpp
// (options objects), cxCustomPivotGridValues.cpp (group values, value lists, filters, value
// texts), cxCustomPivotGridBuilder.cpp (data builder and group trees),
// cxCustomPivotGridCells.cpp (cross cells and summaries), cxCustomPivotGridViewData.cpp
// (view data, items producer, data cell text).
#pragma once

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "data/cxCustomData.h"
#include "data/cxDataStorage.h"
#include "data/cxVariants.h"
#include "foundation/cxControls.h"
#include "foundation/cxStyles.h"
#include "rtl/Classes.h"
#include "rtl/Variants.h"

class TcxCustomPivotGrid;
class TcxPivotGridField;
class TcxPivotGridFieldGroup;
class TcxPivotGridGroupItem;
class TcxPivotGridRowItem;
class TcxPivotGridColumnItem;
class TcxPivotGridCrossCell;
class TcxPivotGridCrossCellSummary;
class TcxPivotGridDataBuilder;
class TcxPivotGridViewData;
class TcxPivotGridViewDataItem;
class TcxPivotGridDataCellViewInfo;
class TcxPivotGridOptionsDataField;
class TcxPivotGridCustomTotal;
class TcxPivotGridFieldHeaderCellViewInfo;
class TcxPivotGridHitTest;
class TcxPivotGridPainter;
class TcxPivotGridCustomCellViewInfo;
class TcxPivotGridHeaderCellViewInfo;

KORVAN_EXCEPTION(EcxPivotGrid, Exception);

enum TcxPivotGridFieldArea : Byte { faColumn, faRow, faFilter, faData };
using TcxPivotGridFieldAreas = TSet<TcxPivotGridFieldArea>;
enum TcxPivotGridSummaryType : Byte {
  stCount, stSum, stMin, stMax, stAverage, stStdDev, stStdDevP, stVariance, stVarianceP, stCustom
};
enum TcxPivotGridSummaryVariation : Byte { svNone, svAbsolute, svPercent };
enum TcxPivotGridTotalsVisibility : Byte { tvAutomatic, tvCustom, tvNone };
enum TcxPivotGridGroupInterval : Byte {
  giDefault, giDate, giDateDay, giDateDayOfWeek, giDateDayOfYear, giDateWeekOfMonth,
  giDateWeekOfYear, giDateMonth, giDateQuarter, giDateYear, giYearAge, giMonthAge, giWeekAge,
  giDayAge, giAlphabetical, giNumeric, giCustom
};
enum TcxPivotGridDataFieldArea : Byte { dfaNone, dfaColumn, dfaRow };
enum TcxPivotGridTotalsLocation : Byte { tlFar, tlNear };
enum TcxPivotGridLines : Byte { pglNone, pglHorz, pglVert, pglBoth };

// The slot of a summary that holds the variation against the previous cell.
constexpr int cxPivotGridVariationSlot = 10;
constexpr int cxPivotGridMaxIndex = 2147483647;

// ---- value list, filter ---------------------------------------------------------------------

// A list of variants ordered by the variant comparison on demand (filters, distinct values,
// saved expanding).
class TcxPivotGridVariantList {
 public:
  std::function<void(TcxPivotGridVariantList*)> OnChange;

  int Add(const Variant& value);
  void AddUnique(const Variant& value);
  void Clear();
  void Delete(int index);
  int IndexOf(const Variant& value);
  void MakeUnique();
  int Remove(const Variant& value);
  void Sort();
  int Count() const { return int(items_.size()); }
  const Variant& Values(int index) const { return items_.at(std::size_t(index)); }
  bool Sorted() const { return sorted_; }

 private:
  void Changed();
  bool sorted_ = false;
  std::vector<Variant> items_;
};

class TcxPivotGridFieldFilter : public TPersistent {
 public:
  explicit TcxPivotGridFieldFilter(TcxPivotGridField* field);
  void Assign(TPersistent* source) override;
  virtual void Changed();
  virtual void ValuesChanged() { Changed(); }
  virtual void Clear();
  bool IsActive() const { return values_.Count() > 0; }
  bool PassValue(const Variant& value);
  bool IncludeMode() const { return includeMode_; }
  void SetIncludeMode(bool v) { includeMode_ = v; }
  TcxPivotGridVariantList* Values() { return &values_; }
  TcxPivotGridField* Field() const { return field_; }
  // The size the filter drop-down had when it last closed (0 x 0: none yet).
  int DropDownWidth = 0, DropDownHeight = 0;

 private:
  TcxPivotGridField* field_;
  bool includeMode_ = false;
  TcxPivotGridVariantList values_;
};

// Formats a data cell value: an empty format gives "0.00%" for percents, the currency format
// for currency values, "0.00" for floating values and "0" for ordinal values. A format that
// the number formatting rejects shows the value as with no format.
void cxPivotGridFormatValue(const Variant& value, const String& displayFormat, bool isPercent, String& text);

// ---- record lists ----------------------------------------------------------------------------

class TcxPivotGridRecords {
 public:
  // Appending in ascending order keeps the list sorted (grouping appends records in order).
  void Add(int recordIndex) {
    if (!items_.empty() && recordIndex < items_.back()) sorted_ = false;
    items_.push_back(recordIndex);
  }
  void Sort();
  // Fills the list with the records present in both lists; consumes (empties) both.
  void Intersect(TcxPivotGridRecords* a, TcxPivotGridRecords* b);
  int Count() const { return int(items_.size()); }
  int operator[](int i) const { return items_[std::size_t(i)]; }
  int Items(int i) const { return items_.at(std::size_t(i)); }
  void Clear() { items_.clear(); sorted_ = true; }
  void Reserve(int n) { items_.reserve(std::size_t(n)); }
  std::vector<int>& List() { return items_; }
  const std::vector<int>& List() const { return items_; }
  bool Sorted() const { return sorted_; }
  void SetSorted(bool v) { sorted_ = v; }

 private:
  std::vector<int> items_;
  bool sorted_ = true;
};

// A non-owning list of fields.
class TcxPivotGridFields {
 public:
  int Count() const { return int(items_.size()); }
  TcxPivotGridField* operator[](int i) const { return items_[std::size_t(i)]; }
  TcxPivotGridField* Items(int i) const { return items_.at(std::size_t(i)); }
  void Add(TcxPivotGridField* f) { items_.push_back(f); }
  void Clear() { items_.clear(); }
  int IndexOf(const TcxPivotGridField* f) const;
  // Orders the fields by area, then area index (-1 last), then position in the grid.
  void Sort();
  std::vector<TcxPivotGridField*>& List() { return items_; }

 private:
  std::vector<TcxPivotGridField*> items_;
};

// ---- sizable objects and fields ---------------------------------------------------------------

class IcxPivotGridSizableObject {
 public:
  virtual ~IcxPivotGridSizableObject() = default;
  virtual void ApplyBestFit() = 0;
  virtual bool CanResize() = 0;
  virtual int GetActualWidth() = 0;
  virtual int GetMinWidth() = 0;
  virtual void SetWidth(int value) = 0;
};

class IcxPivotGridField : public IcxPivotGridSizableObject {
 public:
  virtual bool CanMove() = 0;
  virtual bool IsAreaAllowed(TcxPivotGridFieldArea area) = 0;
  virtual bool CanHide() = 0;
  virtual void ToggleGroupExpanded() = 0;
  virtual void HeaderClick() = 0;
  virtual void SetAreaPosition(TcxPivotGridFieldArea area, int index) = 0;
  virtual bool GetVisible() = 0;
  virtual void SetVisible(bool value) = 0;
  virtual TcxPivotGridFieldHeaderCellViewInfo* GetHeaderViewInfo() = 0;
  // Stores the state in the header and invalidates it.
  virtual void SetHeaderState(TcxButtonState state) = 0;
};

class TcxPivotGridFieldOptions : public TPersistent {
  KORVAN_CLASS(TcxPivotGridFieldOptions, TPersistent)
 public:
  explicit TcxPivotGridFieldOptions(TcxPivotGridField* field) : field_(field) {}
  void Assign(TPersistent* source) override;
  bool Filtering() const { return flags_[0]; }
  bool Moving() const { return flags_[1]; }
  bool Sizing() const { return flags_[2]; }
  bool Sorting() const { return flags_[3]; }
  void SetFiltering(bool v) { SetFlag(0, v); }
  void SetMoving(bool v) { SetFlag(1, v); }
  void SetSizing(bool v) { SetFlag(2, v); }
  void SetSorting(bool v) { SetFlag(3, v); }
  bool CanFilter() const;
  bool CanSort() const;

 private:
  void SetFlag(int i, bool v);
  TcxPivotGridField* field_;
  bool flags_[4] = {true, true, true, true};
};

class TcxPivotGridCustomTotal : public TCollectionItem {
  KORVAN_CLASS(TcxPivotGridCustomTotal, TCollectionItem)
 public:
  explicit TcxPivotGridCustomTotal(TCollection* collection) : TCollectionItem(collection) {}
  void Assign(TPersistent* source) override;
  TcxPivotGridSummaryType SummaryType() const { return summaryType_; }
  void SetSummaryType(TcxPivotGridSummaryType v);
  const String& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const String& v);

 private:
  TcxPivotGridSummaryType summaryType_ = stSum;
  String displayFormat_;
};

class TcxPivotGridCustomTotalCollection : public TCollection {
  KORVAN_CLASS(TcxPivotGridCustomTotalCollection, TCollection)
 public:
  explicit TcxPivotGridCustomTotalCollection(TcxPivotGridField* field);
  TcxPivotGridCustomTotal* Add() { return static_cast<TcxPivotGridCustomTotal*>(TCollection::Add()); }
  TcxPivotGridCustomTotal* Items(int i) const { return static_cast<TcxPivotGridCustomTotal*>(TCollection::Items(i)); }
  TcxPivotGridField* Field() const { return field_; }

 protected:
  TPersistent* GetOwner() const override;
  void Update(TCollectionItem* item) override;

 private:
  TcxPivotGridField* field_;
};

class TcxPivotGridSortBySummaryInfo : public TPersistent {
  KORVAN_CLASS(TcxPivotGridSortBySummaryInfo, TPersistent)
 public:
  explicit TcxPivotGridSortBySummaryInfo(TcxPivotGridField* owner) : owner_(owner) {}
  void Assign(TPersistent* source) override;
  TcxPivotGridField* Field() const { return field_; }
  void SetField(TcxPivotGridField* v);
  TcxPivotGridSummaryType SummaryType() const { return summaryType_; }
  void SetSummaryType(TcxPivotGridSummaryType v);
  bool IsActive() const;
  void Changed();

 private:
  friend class TcxPivotGridField;
  TcxPivotGridField* owner_;
  TcxPivotGridField* field_ = nullptr;
  TcxPivotGridSummaryType summaryType_ = stSum;
};

class TcxPivotGridFieldDataBinding : public TPersistent {
  KORVAN_CLASS(TcxPivotGridFieldDataBinding, TPersistent)
 public:
  explicit TcxPivotGridFieldDataBinding(TcxPivotGridField* field) : field_(field) {}
  void Assign(TPersistent* source) override;
  String ValueType() const;
  void SetValueType(const String& caption);
  bool IsValueTypeStored() const { return valueTypeStored_; }
  TcxPivotGridField* Field() const { return field_; }

 private:
  TcxPivotGridField* field_;
  bool valueTypeStored_ = false;
};

class TcxPivotGridField : public TComponent, public IcxPivotGridField {
  KORVAN_CLASS(TcxPivotGridField, TComponent)
 public:
  explicit TcxPivotGridField(TComponent* owner);
  ~TcxPivotGridField() override;
  void BeforeDestruction() override;
  void Assign(TPersistent* source) override;

  // Attaching.
  TcxCustomPivotGrid* PivotGrid() const { return pivotGrid_; }
  void SetPivotGrid(TcxCustomPivotGrid* grid);
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* c) override;
  int Index() const;

  // Virtual operations.
  bool CanMove() override;
  bool IsAreaAllowed(TcxPivotGridFieldArea area) override { return allowedAreas_.Contains(area); }
  bool CanHide() override { return true; }
  virtual void Changed();
  virtual void DataChanged();
  virtual void DoCalculateCustomSummary(TcxPivotGridCrossCellSummary* summary);
  virtual void DoGetDisplayText(TcxPivotGridDataCellViewInfo* cell);
  virtual void DoGetGroupValue(const Variant& value, int recordIndex, Variant& result);
  virtual void DoGetGroupValueDisplayText(const Variant& value, String& text);
  void SetAreaPosition(TcxPivotGridFieldArea area, int index) override;
  virtual bool IsCurrencyValueType(TcxValueTypeClass valueTypeClass);
  virtual String GetDisplayFormat();
  virtual TcxPivotGridFieldDataBinding* CreateDataBinding();
  virtual void ItemExpandingChanged(TcxPivotGridGroupItem* item);
  virtual String GetCaption();
  virtual TcxPivotGridDataBuilder* GetDataBuilder() { return nullptr; }
  virtual bool GetStoredProperties(std::vector<String>& list);
  virtual Variant GetStoredPropertyValue(const String& name);
  virtual void SetStoredPropertyValue(const String& name, const Variant& value);
  String GetObjectName();

  // IcxPivotGridField.
  void ApplyBestFit() override;
  bool CanResize() override;
  int GetActualWidth() override;
  int GetMinWidth() override { return minWidth_; }
  void ToggleGroupExpanded() override { SetGroupExpanded(!groupExpanded_); }
  void HeaderClick() override;
  bool GetVisible() override { return visible_; }
  TcxPivotGridFieldHeaderCellViewInfo* GetHeaderViewInfo() override;
  void SetHeaderState(TcxButtonState state) override;
  // The image of a group value header (-1 for none), with its alignments.
  int GetGroupImageIndex(TcxPivotGridViewDataItem* item, TAlignment& alignHorz, TcxAlignmentVert& alignVert);

  // Group values, filter, texts.
  void GetRecordValue(int recordIndex, Variant& value);
  void GetGroupValue(int recordIndex, Variant& value);
  void GetGroupValueDisplayText(const Variant& value, String& text);
  bool PassesFilter(int recordIndex);
  TcxPivotGridVariantList* GetUniqueValues();

  // Positions and groups.
  bool IsGroupLeader() const;
  bool IsShownInView() const;

  // Properties.
  TcxPivotGridFieldAreas AllowedAreas() const { return allowedAreas_; }
  void SetAllowedAreas(TcxPivotGridFieldAreas v) { allowedAreas_ = v; }
  TcxPivotGridFieldArea Area() const { return area_; }
  void SetArea(TcxPivotGridFieldArea v);
  int AreaIndex() const { return areaIndex_; }
  void SetAreaIndex(int v);
  String Caption() { return GetCaption(); }
  void SetCaption(const String& v);
  bool IsCaptionAssigned() const { return isCaptionAssigned_; }
  void SetIsCaptionAssigned(bool v) { isCaptionAssigned_ = v; }
  TcxPivotGridCustomTotalCollection* CustomTotals() const { return customTotals_.get(); }
  void SetCustomTotals(TcxPivotGridCustomTotalCollection* v);
  TcxPivotGridFieldDataBinding* DataBinding() const { return dataBinding_.get(); }
  void SetDataBinding(TcxPivotGridFieldDataBinding* v);
  const String& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const String& v);
  TcxPivotGridVariantList* CollapsedValues() { return &collapsedValues_; }
  TcxPivotGridFieldFilter* Filter() const { return filter_.get(); }
  TcxPivotGridFieldGroup* Group() const { return group_; }
  void SetGroup(TcxPivotGridFieldGroup* g);
  int GroupIndex() const;
  void SetGroupIndex(int v);
  bool GroupExpanded() const;
  void SetGroupExpanded(bool v);
  TcxPivotGridGroupInterval GroupInterval() const { return groupInterval_; }
  void SetGroupInterval(TcxPivotGridGroupInterval v);
  int GroupIntervalRange() const { return groupIntervalRange_; }
  void SetGroupIntervalRange(int v);
  bool Hidden() const { return hidden_; }
  void SetHidden(bool v);
  TAlignment ImageAlign() const { return imageAlign_; }
  void SetImageAlign(TAlignment v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  int MinWidth() const { return minWidth_; }
  void SetMinWidth(int v);
  TcxPivotGridFieldOptions* Options() const { return options_.get(); }
  void SetOptions(TcxPivotGridFieldOptions* v);
  TcxDataSortOrder SortOrder() const { return sortOrder_; }
  void SetSortOrder(TcxDataSortOrder v);
  TcxPivotGridSortBySummaryInfo* SortBySummaryInfo() const { return sortBySummaryInfo_.get(); }
  void SetSortBySummaryInfo(TcxPivotGridSortBySummaryInfo* v);
  int SummaryIndex() const { return summaryIndex_; }
  void SetSummaryIndex(int v) { summaryIndex_ = v; }
  TcxPivotGridSummaryType SummaryType() const { return summaryType_; }
  void SetSummaryType(TcxPivotGridSummaryType v);
  TcxPivotGridSummaryVariation SummaryVariation() const { return summaryVariation_; }
  void SetSummaryVariation(TcxPivotGridSummaryVariation v);
  TcxPivotGridTotalsVisibility TotalsVisibility() const { return totalsVisibility_; }
  void SetTotalsVisibility(TcxPivotGridTotalsVisibility v);
  int TopValueCount() const { return topValueCount_; }
  void SetTopValueCount(int v);
  bool TopValueShowOthers() const { return topValueShowOthers_; }
  void SetTopValueShowOthers(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v) override;
  int Width() const { return width_; }
  void SetWidth(int v) override;
  // The header position laid out by the view (-1 when not placed).
  int HeaderAreaIndex() const { return headerAreaIndex_; }
  void SetHeaderAreaIndex(int v) { headerAreaIndex_ = v; }
  // What form text stores: the own expanding flag (the getter also asks the group), the caption
  // only when assigned, the allowed areas and custom totals only when not the defaults.
  bool StoredGroupExpanded() const { return groupExpanded_; }
  bool IsCaptionStored() const { return isCaptionAssigned_; }
  bool IsAllowedAreasStored() const;
  bool IsCustomTotalsStored() const;

  // Events.
  std::function<void(TcxPivotGridField*, TcxPivotGridCrossCellSummary*)> OnCalculateCustomSummary;
  std::function<void(TcxPivotGridField*, TcxPivotGridDataCellViewInfo*, String&)> OnGetDisplayText;
  std::function<void(TcxPivotGridField*, int, Variant&)> OnGetGroupValue;
  std::function<void(TcxPivotGridField*, const Variant&, String&)> OnGetGroupValueDisplayText;
  std::function<void(TcxPivotGridField*, TcxPivotGridViewDataItem*, int&, TAlignment&, TcxAlignmentVert&)>
      OnGetGroupImageIndex;

 protected:
  // Direct stores used by the renumbering (no notification).
  friend class TcxCustomPivotGrid;
  friend class TcxPivotGridFieldGroup;
  friend class TcxPivotGridDataBuilder;
  void StoreAreaIndex(int v) { areaIndex_ = v; }
  void StoreArea(TcxPivotGridFieldArea a) { area_ = a; }
  void StoreVisible(bool v) { visible_ = v; }
  void StoreGroup(TcxPivotGridFieldGroup* g) { group_ = g; }
  bool IsLoading() const;
  void CreateSubClasses();

  TcxCustomPivotGrid* pivotGrid_ = nullptr;
  TcxPivotGridFieldAreas allowedAreas_{faColumn, faRow, faFilter, faData};
  TcxPivotGridFieldArea area_ = faFilter;
  int areaIndex_ = -1;
  String caption_;
  bool isCaptionAssigned_ = false;
  std::unique_ptr<TcxPivotGridCustomTotalCollection> customTotals_;
  std::unique_ptr<TcxPivotGridFieldDataBinding> dataBinding_;
  String displayFormat_;
  TcxPivotGridVariantList collapsedValues_;
  std::unique_ptr<TcxPivotGridFieldFilter> filter_;
  TcxPivotGridFieldGroup* group_ = nullptr;
  bool groupExpanded_ = true;
  TcxPivotGridVariantList uniqueValues_;
  bool uniqueValuesValid_ = false;
  TcxPivotGridGroupInterval groupInterval_ = giDefault;
  int groupIntervalRange_ = 10;
  bool hidden_ = false;
  TAlignment imageAlign_ = taLeftJustify;
  int imageIndex_ = -1;
  int minWidth_ = 20;
  std::unique_ptr<TcxPivotGridFieldOptions> options_;
  TcxDataSortOrder sortOrder_ = soNone;
  std::unique_ptr<TcxPivotGridSortBySummaryInfo> sortBySummaryInfo_;
  int summaryIndex_ = -1;
  TcxPivotGridSummaryType summaryType_ = stSum;
  TcxPivotGridSummaryVariation summaryVariation_ = svNone;
  TcxPivotGridTotalsVisibility totalsVisibility_ = tvAutomatic;
  int topValueCount_ = 0;
  bool topValueShowOthers_ = false;
  bool visible_ = false;
  int width_ = 0;
  int headerAreaIndex_ = -1;
  std::unique_ptr<TcxPivotGridFieldHeaderCellViewInfo> headerCell_;
};

// ---- field groups ------------------------------------------------------------------------------

class TcxPivotGridFieldGroup : public TCollectionItem {
  KORVAN_CLASS(TcxPivotGridFieldGroup, TCollectionItem)
 public:
  explicit TcxPivotGridFieldGroup(TCollection* collection) : TCollectionItem(collection) {}
  ~TcxPivotGridFieldGroup() override;

  virtual bool AllowsPosition() { return true; }
  virtual void Changed();

  void AddField(TcxPivotGridField* field);
  void RemoveField(TcxPivotGridField* field);
  void Clear();
  int FieldCount() const { return int(fields_.size()); }
  TcxPivotGridField* Fields(int i) const { return fields_.at(std::size_t(i)); }
  int IndexOf(const TcxPivotGridField* f) const;
  TcxPivotGridFieldArea Area() const;
  void SetArea(TcxPivotGridFieldArea v);
  int AreaIndex() const;
  void SetAreaIndex(int v);
  void SetFieldsArea(TcxPivotGridFieldArea v);
  void AssignAreaIndexes(int& start);
  bool Visible() const;
  void SetVisible(bool v);
  String Caption() const;
  void SetCaption(const String& v);
  bool IsCaptionAssigned() const { return isCaptionAssigned_; }
  void SetIsCaptionAssigned(bool v) { isCaptionAssigned_ = v; }
  bool IsFieldVisibleInGroup(const TcxPivotGridField* field) const;
  int VisibleCount() const;
  TcxPivotGridField* NextField(const TcxPivotGridField* field) const;
  bool HasNoVisibleFieldAfter(const TcxPivotGridField* field) const;
  int LastAreaIndex() const { return AreaIndex() + FieldCount() - 1; }
  TcxCustomPivotGrid* PivotGrid() const;

 private:
  friend class TcxPivotGridFieldGroupCollection;
  String caption_;
  bool isCaptionAssigned_ = false;
  std::vector<TcxPivotGridField*> fields_;
};

class TcxPivotGridFieldGroupCollection : public TCollection {
  KORVAN_CLASS(TcxPivotGridFieldGroupCollection, TCollection)
 public:
  explicit TcxPivotGridFieldGroupCollection(TcxCustomPivotGrid* grid);
  ~TcxPivotGridFieldGroupCollection() override;
  TcxPivotGridFieldGroup* Add() { return static_cast<TcxPivotGridFieldGroup*>(TCollection::Add()); }
  TcxPivotGridFieldGroup* Items(int i) const { return static_cast<TcxPivotGridFieldGroup*>(TCollection::Items(i)); }
  virtual bool AllowsPosition();
  virtual void Loaded();
  TcxCustomPivotGrid* PivotGrid() const { return grid_; }
  bool Destroying() const { return destroying_; }
  void SetDestroying() { destroying_ = true; }

 protected:
  TPersistent* GetOwner() const override;
  void Update(TCollectionItem* item) override;

 private:
  TcxCustomPivotGrid* grid_;
  bool destroying_ = false;
};

// ---- options -----------------------------------------------------------------------------------

class TcxPivotGridCustomOptions : public TPersistent {
  KORVAN_CLASS(TcxPivotGridCustomOptions, TPersistent)
 public:
  explicit TcxPivotGridCustomOptions(TcxCustomPivotGrid* grid) : pivotGrid_(grid) {}
  virtual void Changed();
  TcxCustomPivotGrid* PivotGrid() const { return pivotGrid_; }
  void Assign(TPersistent* source) override;

 protected:
  TPersistent* GetOwner() const override;
  void SetBool(bool& target, bool v) {
    if (target != v) {
      target = v;
      Changed();
    }
  }
  TcxCustomPivotGrid* pivotGrid_;
};

class TcxPivotGridOptionsBehavior : public TcxPivotGridCustomOptions {
  KORVAN_CLASS(TcxPivotGridOptionsBehavior, TcxPivotGridCustomOptions)
 public:
  using TcxPivotGridCustomOptions::TcxPivotGridCustomOptions;
  void Assign(TPersistent* source) override;
  // Read by the hints; no change run.
  bool CellHints() const { return cellHints_; }
  void SetCellHints(bool v) { cellHints_ = v; }
  bool FieldHeaderHints() const { return fieldHeaderHints_; }
  void SetFieldHeaderHints(bool v) { fieldHeaderHints_ = v; }
  bool GroupHeaderHints() const { return groupHeaderHints_; }
  void SetGroupHeaderHints(bool v) { groupHeaderHints_ = v; }

 private:
  bool cellHints_ = false;
  bool fieldHeaderHints_ = true;
  bool groupHeaderHints_ = true;
};

class TcxPivotGridOptionsCustomize : public TcxPivotGridCustomOptions {
  KORVAN_CLASS(TcxPivotGridOptionsCustomize, TcxPivotGridCustomOptions)
 public:
  using TcxPivotGridCustomOptions::TcxPivotGridCustomOptions;
  void Assign(TPersistent* source) override;
  bool Filtering() const { return v_[0]; }
  bool Hiding() const { return v_[1]; }
  bool Moving() const { return v_[2]; }
  bool QuickCustomization() const { return v_[3]; }
  bool Sizing() const { return v_[4]; }
  bool Sorting() const { return v_[5]; }
  bool FilterResizable() const { return v_[6]; }
  void SetOption(int index, bool v) { SetBool(v_[std::size_t(index)], v); }
  void SetFiltering(bool v) { SetOption(0, v); }
  void SetHiding(bool v) { SetOption(1, v); }
  void SetMoving(bool v) { SetOption(2, v); }
  void SetQuickCustomization(bool v) { SetOption(3, v); }
  void SetSizing(bool v) { SetOption(4, v); }
  void SetSorting(bool v) { SetOption(5, v); }
  void SetFilterResizable(bool v) { SetOption(6, v); }

 private:
  bool v_[7] = {true, true, true, true, true, true, true};
};

class TcxPivotGridOptionsView : public TcxPivotGridCustomOptions, public IcxPivotGridSizableObject {
  KORVAN_CLASS(TcxPivotGridOptionsView, TcxPivotGridCustomOptions)
 public:
  using TcxPivotGridCustomOptions::TcxPivotGridCustomOptions;
  void Changed() override;
  void Assign(TPersistent* source) override;
#define CX_PIVOT_BOOL_OPTION(Name, def) \
  bool Name() const { return Name##_; } \
  void Set##Name(bool v) { SetBool(Name##_, v); }
  CX_PIVOT_BOOL_OPTION(ColumnFields, true)
  CX_PIVOT_BOOL_OPTION(ColumnGrandTotals, true)
  CX_PIVOT_BOOL_OPTION(ColumnTotals, true)
  CX_PIVOT_BOOL_OPTION(DataFields, true)
  CX_PIVOT_BOOL_OPTION(FilterFields, true)
  CX_PIVOT_BOOL_OPTION(FilterSeparator, true)
  CX_PIVOT_BOOL_OPTION(GrandTotalsForSingleValues, false)
  CX_PIVOT_BOOL_OPTION(MarkNarrowCells, false)
  CX_PIVOT_BOOL_OPTION(RowFields, true)
  CX_PIVOT_BOOL_OPTION(RowGrandTotals, true)
  CX_PIVOT_BOOL_OPTION(RowTotals, true)
  CX_PIVOT_BOOL_OPTION(TotalsForSingleValues, false)
  int FilterDropDownMaxItemCount() const { return filterDropDownMaxItemCount_; }
  void SetFilterDropDownMaxItemCount(int v);
  int FilterDropDownWidth() const { return filterDropDownWidth_; }
  void SetFilterDropDownWidth(int v);
  int GrandTotalWidth() const { return grandTotalWidth_; }
  void SetGrandTotalWidth(int v);
  TcxPivotGridLines GridLines() const { return gridLines_; }
  void SetGridLines(TcxPivotGridLines v);
  TcxPivotGridTotalsLocation TotalsLocation() const { return totalsLocation_; }
  void SetTotalsLocation(TcxPivotGridTotalsLocation v);
  // The fill of the drop arrows; no change run.
  TColor DropArrowColor() const { return dropArrowColor_; }
  void SetDropArrowColor(TColor v) { dropArrowColor_ = v; }
  // The grid's scroll-bar setting.
  TScrollStyle ScrollBars() const;
  void SetScrollBars(TScrollStyle v);

  // IcxPivotGridSizableObject (the grand-total width).
  void ApplyBestFit() override {}
  bool CanResize() override;
  int GetActualWidth() override;
  int GetMinWidth() override { return 20; }
  void SetWidth(int v) override { SetGrandTotalWidth(v); }

 private:
  bool ColumnFields_ = true, ColumnGrandTotals_ = true, ColumnTotals_ = true, DataFields_ = true,
       FilterFields_ = true, FilterSeparator_ = true, GrandTotalsForSingleValues_ = false,
       MarkNarrowCells_ = false, RowFields_ = true, RowGrandTotals_ = true, RowTotals_ = true,
       TotalsForSingleValues_ = false;
  int filterDropDownMaxItemCount_ = 15;
  int filterDropDownWidth_ = 0;
  int grandTotalWidth_ = 0;
  TcxPivotGridLines gridLines_ = pglBoth;
  TcxPivotGridTotalsLocation totalsLocation_ = tlFar;
  TColor dropArrowColor_ = 65280;
};
#undef CX_PIVOT_BOOL_OPTION

class TcxPivotGridOptionsData : public TcxPivotGridCustomOptions {
  KORVAN_CLASS(TcxPivotGridOptionsData, TcxPivotGridCustomOptions)
 public:
  using TcxPivotGridCustomOptions::TcxPivotGridCustomOptions;
  void Changed() override;
  void Assign(TPersistent* source) override;
  bool AnsiSort() const { return ansiSort_; }
  void SetAnsiSort(bool v) { SetBool(ansiSort_, v); }
  bool SaveExpanding() const { return saveExpanding_; }
  void SetSaveExpanding(bool v) { saveExpanding_ = v; }
  bool SummaryNullIgnore() const { return summaryNullIgnore_; }
  void SetSummaryNullIgnore(bool v) { SetBool(summaryNullIgnore_, v); }
  bool VariationNullIgnore() const { return variationNullIgnore_; }
  void SetVariationNullIgnore(bool v) { SetBool(variationNullIgnore_, v); }
  int CompareValues(const Variant& v1, const Variant& v2) const;

 private:
  bool ansiSort_ = false;
  bool summaryNullIgnore_ = false;
  bool variationNullIgnore_ = true;
  bool saveExpanding_ = true;
};

class TcxPivotGridOptionsSelection : public TcxPivotGridCustomOptions {
  KORVAN_CLASS(TcxPivotGridOptionsSelection, TcxPivotGridCustomOptions)
 public:
  using TcxPivotGridCustomOptions::TcxPivotGridCustomOptions;
  void Assign(TPersistent* source) override;
  bool HideFocusRect() const { return hideFocusRect_; }
  void SetHideFocusRect(bool v) { SetBool(hideFocusRect_, v); }
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v) { SetBool(hideSelection_, v); }
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v) { SetBool(multiSelect_, v); }

 private:
  bool hideFocusRect_ = false, hideSelection_ = false, multiSelect_ = false;
};

class TcxPivotGridOptionsDataField : public TcxPivotGridCustomOptions, public IcxPivotGridField {
  KORVAN_CLASS(TcxPivotGridOptionsDataField, TcxPivotGridCustomOptions)
 public:
  using TcxPivotGridCustomOptions::TcxPivotGridCustomOptions;
  void Assign(TPersistent* source) override;
  TcxPivotGridDataFieldArea Area() const { return area_; }
  void SetArea(TcxPivotGridDataFieldArea v);
  int AreaIndex() const { return areaIndex_; }
  void SetAreaIndex(int v);
  void StoreAreaIndex(int v) { areaIndex_ = v; }
  String Caption() const;
  void SetCaption(const String& v);
  bool IsCaptionAssigned() const { return isCaptionAssigned_; }
  void SetIsCaptionAssigned(bool v) { isCaptionAssigned_ = v; }
  bool Moving() const { return moving_; }
  void SetMoving(bool v) { moving_ = v; }
  int MinWidth() const { return minWidth_; }
  void SetMinWidth(int v);
  int Width() const { return width_; }
  bool IsInArea(TcxPivotGridFieldArea area) const;

  ~TcxPivotGridOptionsDataField() override;
  // IcxPivotGridField.
  void ApplyBestFit() override;
  bool CanResize() override;
  int GetActualWidth() override;
  int GetMinWidth() override { return minWidth_; }
  void SetWidth(int v) override;
  bool CanMove() override;
  bool IsAreaAllowed(TcxPivotGridFieldArea a) override { return a == faColumn || a == faRow; }
  bool CanHide() override { return false; }
  void ToggleGroupExpanded() override {}
  void HeaderClick() override;
  void SetAreaPosition(TcxPivotGridFieldArea area, int index) override;
  bool GetVisible() override { return area_ != dfaNone; }
  void SetVisible(bool) override {}
  TcxPivotGridFieldHeaderCellViewInfo* GetHeaderViewInfo() override;
  void SetHeaderState(TcxButtonState state) override;

 private:
  TcxPivotGridDataFieldArea area_ = dfaNone;
  int areaIndex_ = -1;
  String caption_;
  bool isCaptionAssigned_ = false;
  bool moving_ = true;
  int minWidth_ = 20;
  int width_ = 105;
  std::unique_ptr<TcxPivotGridFieldHeaderCellViewInfo> headerCell_;
};

// ---- group items and the data builder ------------------------------------------------------------

class TcxPivotGridGroupItem {
 public:
  TcxPivotGridGroupItem(TcxPivotGridGroupItem* parent, TcxPivotGridField* field, int recordIndex,
                        TcxPivotGridDataBuilder* builder);
  virtual ~TcxPivotGridGroupItem();

  virtual bool IsAlwaysExpanded() { return false; }
  virtual int GetTotalSize();
  virtual int GetSize();
  virtual int GetTotalsCount();
  virtual void GetValue(Variant& value);
  virtual TcxPivotGridGroupItem* NewItem(TcxPivotGridField* field, int recordIndex);
  virtual void CalculateSortValue(TcxPivotGridGroupItem* otherRoot);
  virtual void ApplyOrdering(TcxPivotGridGroupItem* otherRoot);
  virtual void SortBySummary(TcxPivotGridGroupItem* otherRoot);
  virtual void ApplyTopValues();
  virtual void MarkCellsStale(TcxPivotGridGroupItem* other) {}
  // A new list of the records of the item (unexcluded, in tree order); the caller owns it.
  virtual TcxPivotGridRecords* GetRecords();
  virtual void ClearItems();
  virtual TcxPivotGridCrossCell* GetCrossCell(TcxPivotGridGroupItem* other) { return nullptr; }

  int ItemCount() const { return int(items_.size()); }
  TcxPivotGridGroupItem* Items(int i) const { return items_.at(std::size_t(i)); }
  TcxCustomPivotGrid* PivotGrid() const;
  TcxPivotGridDataBuilder* Builder() const { return builder_; }
  int Level() const;
  bool HasExpandedChildren() { return !items_.empty() && (expanded_ || IsAlwaysExpanded()); }
  String GetDisplayText();
  const Variant& Value();
  int CompareWithValue(const Variant& value);
  bool FindItem(const Variant& value, TcxDataSortOrder order, int& index);
  TcxPivotGridGroupItem* CreateItem(int index, int recordIndex, TcxPivotGridField* field);
  void MergeFrom(TcxPivotGridGroupItem* source);
  void ExcludeRecords();
  void ReindexItems(bool recursive);
  void SetExpanded(bool value);
  void SetExpandedForField(TcxPivotGridField* field, bool expanded);
  TcxPivotGridGroupItem* PreviousItemAtLevel();
  // Calls `f` for every record of the item's subtree that is not excluded.
  template <class F>
  void ForEachRecord(F&& f) const;

  bool Expanded() const { return expanded_; }
  TcxPivotGridField* Field() const { return field_; }
  int Index() const { return index_; }
  TcxPivotGridGroupItem* Parent() const { return parent_; }
  int RecordIndex() const { return recordIndex_; }
  TcxPivotGridRecords& Records() { return records_; }
  bool Ordered() const { return ordered_; }
  const Variant& SortValue() const { return sortValue_; }
  bool IsOthers() const { return recordIndex_ == -2; }
  bool IsRoot() const { return parent_ == nullptr; }

 protected:
  friend class TcxPivotGridDataBuilder;
  friend class TcxPivotGridCrossCell;
  friend class TcxPivotGridRowItem;
  TcxPivotGridDataBuilder* builder_;
  String displayText_;
  bool expanded_ = true;
  TcxPivotGridField* field_;
  std::vector<TcxPivotGridGroupItem*> items_;
  int index_ = 0;
  TcxPivotGridGroupItem* parent_;
  int recordIndex_;
  TcxPivotGridRecords records_;
  Variant value_;
  bool valueCached_ = false;
  bool ordered_ = false;
  Variant sortValue_;
  // Index numbers of the subtree (pre-order), kept by the builder for record membership.
  int first_ = 0, last_ = 0;
  int recordCount_ = 0;
  // Position among the items of the same level (column tree, pre-order).
  int levelSerial_ = 0;
  // The run of the row order that the item's records take (row tree).
  int positionBegin_ = 0, positionEnd_ = 0;
  // While the tree is built: the children by group value id.
  std::vector<TcxPivotGridGroupItem*> childById_;
  // While grouping, the serial of each last-level child by value id (see BuildGroups).
  std::vector<int> leafSerialById_;
};

class TcxPivotGridRowItem : public TcxPivotGridGroupItem {
 public:
  using TcxPivotGridGroupItem::TcxPivotGridGroupItem;
  ~TcxPivotGridRowItem() override;
  bool IsAlwaysExpanded() override;
  int GetSize() override;
  TcxPivotGridGroupItem* NewItem(TcxPivotGridField* field, int recordIndex) override;
  void MarkCellsStale(TcxPivotGridGroupItem* other) override;
  void ClearItems() override;
  TcxPivotGridCrossCell* GetCrossCell(TcxPivotGridGroupItem* column) override;
  // Marks the cells of this item and of every item below it stale.
  void MarkAllCellsStale();
  int CrossCellCount() const { return int(crossCells_.size()); }
  // Accumulates, in one pass over the item's records, the cells of every column item of a
  // level (0 = the first column level).
  void AccumulateColumnLevel(int level);
  bool IsColumnLevelAccumulated(int level) const {
    return level < int(levelsDone_.size()) && levelsDone_[std::size_t(level)];
  }
  // The cell for a column item without computing it (nullptr when it does not exist yet).
  TcxPivotGridCrossCell* FindCrossCell(TcxPivotGridGroupItem* column);
  TcxPivotGridCrossCell* ObtainCrossCell(TcxPivotGridGroupItem* column);

 private:
  void FreeCells();
  std::vector<TcxPivotGridCrossCell*> crossCells_;
  std::unordered_map<TcxPivotGridGroupItem*, TcxPivotGridCrossCell*> cellByColumn_;
  std::vector<bool> levelsDone_;
  TcxPivotGridGroupItem* lastColumn_ = nullptr;
  TcxPivotGridCrossCell* lastCell_ = nullptr;
};

class TcxPivotGridColumnItem : public TcxPivotGridGroupItem {
 public:
  using TcxPivotGridGroupItem::TcxPivotGridGroupItem;
  bool IsAlwaysExpanded() override;
  TcxPivotGridGroupItem* NewItem(TcxPivotGridField* field, int recordIndex) override;
  void MarkCellsStale(TcxPivotGridGroupItem* rowRoot) override;
  TcxPivotGridCrossCell* GetCrossCell(TcxPivotGridGroupItem* row) override;
};

class TcxPivotGridDataItem : public TcxPivotGridGroupItem {
 public:
  using TcxPivotGridGroupItem::TcxPivotGridGroupItem;
  int GetSize() override;
  void GetValue(Variant& value) override;
};

class TcxPivotGridDataBuilder {
 public:
  explicit TcxPivotGridDataBuilder(TcxCustomPivotGrid* grid);
  virtual ~TcxPivotGridDataBuilder();

  virtual void FilterRecords();
  virtual void Clear();
  virtual void BuildGroups(TcxPivotGridFields& fields, TcxPivotGridGroupItem* root);
  virtual void BuildColumns() { BuildGroups(columnFields_, columnRoot_.get()); }
  virtual void BuildRows() { BuildGroups(rowFields_, rowRoot_.get()); }
  virtual void Build();

  TcxCustomPivotGrid* PivotGrid() const { return grid_; }
  TcxCustomDataController* DataController() const;
  TcxPivotGridColumnItem* ColumnRoot() const { return columnRoot_.get(); }
  TcxPivotGridRowItem* RowRoot() const { return rowRoot_.get(); }
  TcxPivotGridGroupItem* DataRoot() const { return dataRoot_.get(); }
  TcxPivotGridFields& ColumnFields() { return columnFields_; }
  TcxPivotGridFields& RowFields() { return rowFields_; }
  TcxPivotGridFields& DataFields() { return dataFields_; }
  TcxPivotGridFields& FilterFields() { return filterFields_; }
  TcxPivotGridFields& Fields() { return fields_; }
  // Counts the clearings of the trees: a group item kept across a change is stale once it moved.
  int ClearCount() const { return clearCount_; }
  std::vector<int>& RecordMap() { return recordMap_; }
  bool IsRecordExcluded(int r) const { return recordMap_[std::size_t(r)] < 0; }
  void ExcludeRecord(int r);

  // Record membership of the trees: the deepest item of each tree holding a record.
  void InvalidateIndex() { indexValid_ = false; }
  void EnsureIndex();
  bool ItemContainsRecord(const TcxPivotGridGroupItem* item, bool rowTree, int record) const;
  // The column item of a level that holds a record (nullptr when none), and the items of a level.
  TcxPivotGridGroupItem* ColumnItemOfRecord(int level, int record) const {
    return level < int(columnLevelCounts_.size()) ? columnPath_[std::size_t(level)][std::size_t(record)] : nullptr;
  }
  int ColumnItemCountAtLevel(int level) const {
    return level < int(columnLevelCounts_.size()) ? columnLevelCounts_[std::size_t(level)] : 0;
  }
  // The numeric data of a summary field, read once per build.
  struct TFieldValues {
    std::vector<long double> Number;  // the numeric value (after conversion)
    std::vector<Byte> Kind;           // 0 numeric, 1 Null, 2 other
    std::vector<Variant> Raw;         // the value itself, for fields with a group interval
    bool Loaded = false;
    // The same in the order of the records in the row tree (see RowOrder).
    std::vector<long double> NumberByPosition;
    std::vector<Byte> KindByPosition;
    bool PositionsValid = false;
    // The result types of the summaries, asked once per build.
    TVarType SumType = varDouble, AverageType = varDouble;
    bool ResultTypesKnown = false;
  };
  TFieldValues& FieldValues(TcxPivotGridField* field);
  // The values with their row-tree order arrays filled.
  TFieldValues& PositionedValues(TcxPivotGridField* field);
  // The unexcluded records in the order of the row tree (leaves in pre-order, each leaf's records
  // ascending); every row item holds one run of it.
  const std::vector<int>& RowOrder() const { return rowOrder_; }
  // The serial (among the items of its level) of the column item of a level holding the record at
  // a row-order position, -1 when none.
  const std::vector<int>& ColumnSerialsByPosition(int level) const { return columnSerialByPos_[std::size_t(level)]; }

 private:
  void DistributeFields();
  void RegisterSummaryField(TcxPivotGridField* field);
  void Order(TcxPivotGridFields& fields, TcxPivotGridGroupItem* root, TcxPivotGridGroupItem* other);
  void SortAndMergeChildren(TcxPivotGridGroupItem* item);
  void NumberTree(TcxPivotGridGroupItem* root, std::vector<int>& leafOf);
  void MapColumnLevels();

  TcxCustomPivotGrid* grid_;
  TcxPivotGridFields columnFields_, dataFields_, fields_, filterFields_, rowFields_;
  std::unique_ptr<TcxPivotGridColumnItem> columnRoot_;
  std::unique_ptr<TcxPivotGridGroupItem> dataRoot_;
  std::unique_ptr<TcxPivotGridRowItem> rowRoot_;
  std::vector<int> recordMap_;
  int clearCount_ = 0;
  bool excludedAny_ = false;
  bool indexValid_ = false;
  std::vector<int> rowLeafOf_, columnLeafOf_;
  std::vector<std::vector<TcxPivotGridGroupItem*>> columnPath_;
  std::vector<int> rowOrder_;
  std::vector<std::vector<int>> columnSerialByPos_;
  std::vector<int> columnLevelCounts_;
  std::unordered_map<const TcxPivotGridField*, TFieldValues> fieldValues_;
};

// ---- cross cells -----------------------------------------------------------------------------

class TcxPivotGridCrossCellSummary {
 public:
  TcxPivotGridCrossCellSummary(TcxPivotGridCrossCell* cell, TcxPivotGridField* field);
  virtual ~TcxPivotGridCrossCellSummary() = default;

  virtual void DoCalculateCustomSummary();
  virtual void CalculateVariation(TcxPivotGridCrossCellSummary* previous);
  virtual void ConvertValue(Variant& value);
  virtual void Clear();
  virtual void GetRecordValue(int recordIndex, Variant& value);

  void GetValue(int slot, Variant& value) const { value = values_[slot]; }
  const Variant& Values(int slot) const { return values_[std::size_t(slot)]; }
  // Writes a slot (the custom-summary handler stores its result in stCustom).
  void SetValue(int slot, const Variant& value) { values_[std::size_t(slot)] = value; }
  void GetResultTypes(TVarType& sumType, TVarType& averageType);
  void StoreResult(int slot, TVarType varType, long double x);
  TcxPivotGridCrossCellSummary* PreviousSummary(TcxPivotGridCrossCellSummary* s);
  bool SummaryNullIgnore() const;
  bool VariationNullIgnore() const;
  TcxPivotGridField* Field() const { return field_; }
  TcxPivotGridCrossCell* Cell() const { return cell_; }
  // The cell's records (a new list owned by the caller).
  TcxPivotGridRecords* GetRecords();

 private:
  friend class TcxPivotGridCrossCell;
  friend class TcxPivotGridRowItem;
  struct TAccumulator {
    long double Sum = 0, SumOfSquares = 0;
    long double Minimum, Maximum;
    int Count = 0, NonNumeric = 0;
    Variant MinValue, MaxValue;
    bool First = true;
  };
  void Start(TAccumulator& a);
  void Accumulate(TAccumulator& a, const TcxPivotGridDataBuilder::TFieldValues& values, bool nullIgnore, int record) {
    std::size_t r = std::size_t(record);
    Add(a, values.Kind[r], values.Number[r], values.Raw.empty() ? nullptr : &values.Raw[r], nullIgnore);
  }
  // Inline: the accumulation loops call it once per record and level.
  void Add(TAccumulator& a, Byte kind, long double x, const Variant* raw, bool nullIgnore) {
    if (raw) AddRaw(a, *raw);
    if (kind == 0) {
      ++a.Count;
      if (x > a.Maximum) a.Maximum = x;
      if (x < a.Minimum) a.Minimum = x;
      a.Sum += x;
      a.SumOfSquares += x * x;
    } else {
      ++a.NonNumeric;
      if (!(kind == 1 && nullIgnore)) ++a.Count;
    }
  }
  // The minimum and maximum of the values themselves (fields with a group interval).
  void AddRaw(TAccumulator& a, const Variant& raw);
  void Finish(TAccumulator& a);

  TcxPivotGridField* field_;
  TcxPivotGridCrossCell* cell_;
  Variant values_[11];
  // The last numeric value of the summary type at or before this cell (Null walk-back).
  Variant lastNumeric_;
};

class TcxPivotGridCrossCell {
 public:
  TcxPivotGridCrossCell(TcxPivotGridRowItem* row, TcxPivotGridGroupItem* column);
  virtual ~TcxPivotGridCrossCell();

  virtual void Calculate();
  virtual TcxPivotGridCrossCell* GetCellToTheLeft();
  virtual TcxPivotGridCrossCell* GetCellAbove();
  // A new data source over the cell's records; the caller owns it.
  virtual TcxCustomDataSource* CreateDataSource();

  void EnsureCalculated();
  // A new list of the records of both items, sorted by record index; the caller owns it.
  TcxPivotGridRecords* GetRecords();
  void GetSummaryValue(TcxPivotGridField* field, TcxPivotGridSummaryType type, Variant& value);
  int SummaryCount() const { return int(summaries_.size()); }
  TcxPivotGridCrossCellSummary* Summaries(int i) { return &summaries_.at(std::size_t(i)); }
  TcxCustomPivotGrid* PivotGrid() const;
  bool Calculated() const { return calculated_; }
  void SetCalculated(bool v) {
    calculated_ = v;
    if (!v) accumulated_ = false;
  }
  TcxPivotGridGroupItem* ColumnItem() const { return columnItem_; }
  TcxPivotGridRowItem* RowItem() const { return rowItem_; }
  TcxPivotGridCrossCell* PreviousCell() const { return previousCell_; }

 private:
  void FreeSummaries();
  // Calls `f` for each record of the cell.
  template <class F>
  void ForEachRecord(F&& f);
  TcxPivotGridCrossCell* FindPreviousCell();

  friend class TcxPivotGridRowItem;
  // Starts the summaries of the cell for an accumulation.
  void StartSummaries();
  void StartSummaries(TcxPivotGridCrossCellSummary::TAccumulator* accumulators);
  void FinishSummaries();
  void FinishSummaries(TcxPivotGridCrossCellSummary::TAccumulator* accumulators);
  bool calculated_ = false;
  bool calculating_ = false;
  bool accumulated_ = false;
  std::vector<TcxPivotGridCrossCellSummary::TAccumulator> accumulators_;
  std::vector<const TcxPivotGridDataBuilder::TFieldValues*> values_;
  TcxPivotGridGroupItem* columnItem_;
  TcxPivotGridCrossCell* previousCell_ = nullptr;
  TcxPivotGridRowItem* rowItem_;
  // Held in one block; the list is reserved before the summaries are made, so they never move.
  std::vector<TcxPivotGridCrossCellSummary> summaries_;
};

// The records of a cross cell as a data source: the value of a field with a group interval is
// the display text of its group value, otherwise the record's value.
class TcxPivotGridCrossCellDataSource : public TcxCustomDataSource {
 public:
  explicit TcxPivotGridCrossCellDataSource(TcxPivotGridCrossCell* cell);
  int GetRecordCount() override { return records_.Count(); }
  Variant GetValue(int recordHandle, int itemHandle) override;

 private:
  TcxCustomPivotGrid* pivotGrid_;
  TcxPivotGridRecords records_;
};

// ---- view data ----------------------------------------------------------------------------------

class TcxPivotGridViewDataItem {
 public:
  TcxPivotGridViewDataItem(TcxPivotGridViewDataItem* parent, TcxPivotGridGroupItem* groupItem);
  virtual ~TcxPivotGridViewDataItem();
  virtual TcxPivotGridField* GetField() { return groupItem_ ? groupItem_->Field() : nullptr; }
  virtual bool IsTotal() { return false; }
  virtual int GetSize();
  virtual String GetDisplayText();

  TcxPivotGridViewDataItem* AddChild(TcxPivotGridGroupItem* groupItem);
  TcxPivotGridViewDataItem* AddTotal(TcxPivotGridGroupItem* groupItem, int totalIndex);
  void ClearItems();
  int ItemCount() const { return int(items_.size()); }
  TcxPivotGridViewDataItem* Items(int i) const { return items_.at(std::size_t(i)); }
  bool HasChildren() const { return !items_.empty(); }
  bool IsExpandable();
  bool IsExpanded();
  bool IsGrandTotal();
  int Level() const;
  TcxPivotGridViewDataItem* NextLeaf();
  TcxPivotGridViewDataItem* PreviousLeaf();
  TcxPivotGridGroupItem* GetOwningGroupItem(TcxPivotGridField*& dataField);
  // The widest header of a field's items in this subtree (best fit).
  int GetBestWidth(TcxPivotGridField* field, bool includeTotals);
  bool FindCustomTotal(TcxPivotGridSummaryType& summaryType, TcxPivotGridCustomTotal*& customTotal);

  int Index() const { return index_; }
  bool IsDataItem() const { return isDataItem_; }
  TcxPivotGridGroupItem* GroupItem() const { return groupItem_; }
  TcxPivotGridViewDataItem* Parent() const { return parent_; }
  int LeafIndex() const { return leafIndex_; }

 protected:
  friend class TcxPivotGridItemsProducer;
  friend class TcxPivotGridViewData;
  int index_ = 0;
  bool isDataItem_ = false;
  std::vector<TcxPivotGridViewDataItem*> items_;
  TcxPivotGridGroupItem* groupItem_;
  TcxPivotGridViewDataItem* parent_;
  int leafIndex_ = -1;
};

class TcxPivotGridViewDataTotalItem : public TcxPivotGridViewDataItem {
 public:
  using TcxPivotGridViewDataItem::TcxPivotGridViewDataItem;
  bool IsTotal() override { return true; }
  String GetDisplayText() override;
  TcxPivotGridCustomTotal* CustomTotal() const { return customTotal_; }

 private:
  friend class TcxPivotGridViewDataItem;
  TcxPivotGridCustomTotal* customTotal_ = nullptr;
};

class TcxPivotGridItemsProducer {
 public:
  TcxPivotGridItemsProducer(TcxPivotGridGroupItem* groupRoot, bool grandTotals, bool grandTotalsForSingleValues,
                            bool totals, bool totalsForSingleValues, TcxPivotGridTotalsLocation location,
                            TcxPivotGridViewDataItem* viewRoot, std::vector<TcxPivotGridViewDataItem*>& leaves);
  virtual ~TcxPivotGridItemsProducer() = default;
  virtual void ProduceItem(TcxPivotGridGroupItem* g, int level, TcxPivotGridViewDataItem* parent);
  virtual bool InsertDataItems(TcxPivotGridGroupItem* g, int level, TcxPivotGridViewDataItem* v);
  virtual void AddTotals(TcxPivotGridGroupItem* g, int level, TcxPivotGridViewDataItem* parent);
  virtual void AddItem(TcxPivotGridGroupItem* g, int level, TcxPivotGridViewDataItem* parent);
  virtual int Produce();
  void SetDataItems(TcxPivotGridGroupItem* dataRoot, int dataLevel) {
    dataRoot_ = dataRoot;
    dataLevel_ = dataLevel;
  }

 private:
  bool SkipDataItem(TcxPivotGridViewDataItem* v, TcxPivotGridField* field);
  bool ShowTotals(bool flag, bool forSingleValues, TcxPivotGridGroupItem* g);
  void MakeLeaf(TcxPivotGridViewDataItem* v);
  void RemoveEmptyBranches(TcxPivotGridViewDataItem* v);
  void NumberLeaves(TcxPivotGridViewDataItem* v);

  int dataLevel_ = cxPivotGridMaxIndex;
  TcxPivotGridGroupItem* dataRoot_ = nullptr;
  TcxPivotGridViewDataItem* viewRoot_;
  int count_ = 0;
  TcxPivotGridGroupItem* groupRoot_;
  bool grandTotals_, grandTotalsForSingleValues_, totals_, totalsForSingleValues_;
  TcxPivotGridTotalsLocation totalsLocation_;
  bool allDataFieldsHaveVariation_ = false;
  std::vector<TcxPivotGridViewDataItem*>& leaves_;
};

// Scroll codes of the platform's scroll bars.
class TcxPivotGridViewData {
 public:
  explicit TcxPivotGridViewData(TcxCustomPivotGrid* grid);
  virtual ~TcxPivotGridViewData();

  virtual bool Scroll(TScrollCode code, TcxPivotGridViewDataItem* firstItem, int& position, int trackPosition,
                      int areaSize, int maxPosition, int pageSize);
  void Calculate();
  TcxPivotGridViewDataItem* ColumnItem(int i) const;
  TcxPivotGridViewDataItem* RowItem(int i) const;
  String CellText(int row, int column);
  // The widest data cell text of a field, and of every field in one pass (best fit).
  int GetDataCellsBestWidth(TcxPivotGridField* field);
  void GetDataCellsBestWidths(std::unordered_map<TcxPivotGridField*, int>& widths);
  bool ScrollColumns(TScrollCode code, int& position);
  bool ScrollRows(TScrollCode code, int& position);
  void SetTopRow(int v);
  void SetLeftColumn(int v);
  void PageRows(bool down);
  bool MakeSelectionVisible();
  void SetSelection(const TRect& r);
  TRect NormalizedSelection() const;

  int ColumnCount() const { return columnCount_; }
  int RowCount() const { return rowCount_; }
  int LeftColumn() const { return leftColumn_; }
  int TopRow() const { return topRow_; }
  TcxPivotGridViewDataItem* ColumnRoot() const { return columnRoot_.get(); }
  TcxPivotGridViewDataItem* RowRoot() const { return rowRoot_.get(); }
  const TRect& Selection() const { return selection_; }
  int VisibleColumnCount = 1;
  int VisibleRowCount = 1;
  // The size in pixels of the data area (set by the view info), for page-up scrolling.
  int DataAreaWidth = 0;
  int DataAreaHeight = 0;
  bool ExpandAllColumns = false;
  bool ExpandAllRows = false;
  // The first visible row and column as the layout found them (no relayout).
  void StoreTopRow(int v) { topRow_ = v; }
  void StoreLeftColumn(int v) { leftColumn_ = v; }

 private:
  void Normalize(TRect& r) const;
  TcxCustomPivotGrid* grid_;
  int columnCount_ = 0, leftColumn_ = 0, rowCount_ = 0, topRow_ = 0;
  std::unique_ptr<TcxPivotGridViewDataItem> columnRoot_, rowRoot_;
  std::vector<TcxPivotGridViewDataItem*> columnLeaves_, rowLeaves_;
  TRect selection_{0, 0, 0, 0};
};

// ---- styles ---------------------------------------------------------------------------------------

class TcxPivotGridHitTest;
class TcxPivotGridFieldHeaderCellViewInfo;

// How the view info asks for the view params of its cells (the grid's styles, or a provider
// that the export link puts in their place).
class IcxPivotGridBaseStyles {
 public:
  virtual ~IcxPivotGridBaseStyles() = default;
  virtual void GetColumnHeaderParams(TcxPivotGridViewDataItem* item, TcxStyleParams& params) = 0;
  virtual void GetContentParams(TcxPivotGridDataCellViewInfo* cell, TcxStyleParams& params) = 0;
  virtual void GetFieldHeaderParams(TcxPivotGridField* field, TcxStyleParams& params) = 0;
  virtual void GetHeaderAreaParams(TcxPivotGridFieldArea area, TcxStyleParams& params) = 0;
  virtual void GetRowHeaderParams(TcxPivotGridViewDataItem* item, TcxStyleParams& params) = 0;
};

// The grid's styles: fourteen published styles by index and the style sheet. A change of a
// style relayouts the grid; what no style assigns comes from the look-and-feel painter.
class TcxPivotGridStyles : public TcxStyles, public IcxPivotGridBaseStyles {
  KORVAN_CLASS(TcxPivotGridStyles, TcxStyles)
 public:
  explicit TcxPivotGridStyles(TPersistent* owner) : TcxStyles(owner) { SetWantsBitmap(true); }
  void AssignFromSource(TPersistent* source) override;
  void IndexChanged(Integer index) override;
  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
  TcxStyle* Style(int index) const { return const_cast<TcxPivotGridStyles*>(this)->GetIndexedStyle(index); }
#define CX_PIVOT_STYLE(Name, index) \
  TcxStyle* Name() const { return Style(index); } \
  void Set##Name(TcxStyle* v) { SetIndexedStyle(index, v); }
  CX_PIVOT_STYLE(Background, 0)
  CX_PIVOT_STYLE(ColumnHeader, 1)
  CX_PIVOT_STYLE(ColumnHeaderArea, 2)
  CX_PIVOT_STYLE(Content, 3)
  CX_PIVOT_STYLE(DataHeaderArea, 4)
  CX_PIVOT_STYLE(FieldHeader, 5)
  CX_PIVOT_STYLE(FilterHeaderArea, 6)
  CX_PIVOT_STYLE(FilterSeparator, 7)
  CX_PIVOT_STYLE(HeaderBackground, 8)
  CX_PIVOT_STYLE(Inactive, 9)
  CX_PIVOT_STYLE(RowHeader, 10)
  CX_PIVOT_STYLE(RowHeaderArea, 11)
  CX_PIVOT_STYLE(Selected, 12)
  CX_PIVOT_STYLE(Total, 13)
#undef CX_PIVOT_STYLE
  static constexpr int StyleCount = 14;
  enum { psBackground, psColumnHeader, psColumnHeaderArea, psContent, psDataHeaderArea, psFieldHeader,
         psFilterHeaderArea, psFilterSeparator, psHeaderBackground, psInactive, psRowHeader, psRowHeaderArea,
         psSelected, psTotal };

  // IcxPivotGridBaseStyles.
  void GetColumnHeaderParams(TcxPivotGridViewDataItem* item, TcxStyleParams& params) override;
  void GetContentParams(TcxPivotGridDataCellViewInfo* cell, TcxStyleParams& params) override;
  void GetFieldHeaderParams(TcxPivotGridField* field, TcxStyleParams& params) override;
  void GetHeaderAreaParams(TcxPivotGridFieldArea area, TcxStyleParams& params) override;
  void GetRowHeaderParams(TcxPivotGridViewDataItem* item, TcxStyleParams& params) override;
  void GetBackgroundParams(TcxStyleParams& params) { ResolveViewParams(psBackground, nullptr, nullptr, params); }
  void GetFilterSeparatorParams(TcxStyleParams& params) { ResolveViewParams(psFilterSeparator, nullptr, nullptr, params); }
  void GetSelectionParams(TcxStyleParams& params);

  std::function<void(TcxCustomPivotGrid*, TcxPivotGridViewDataItem*, TcxStyle*&)> OnGetColumnHeaderStyle;
  std::function<void(TcxCustomPivotGrid*, TcxPivotGridDataCellViewInfo*, TcxStyle*&)> OnGetContentStyle;
  std::function<void(TcxCustomPivotGrid*, TcxPivotGridField*, TcxStyle*&)> OnGetFieldHeaderStyle;
  std::function<void(TcxCustomPivotGrid*, TcxPivotGridViewDataItem*, TcxStyle*&)> OnGetRowHeaderStyle;

 private:
  TcxCustomPivotGrid* Grid() const;
};

// The style sheet whose styles are the pivot grid's.
class TcxPivotGridStyleSheet : public TcxCustomStyleSheet {
  KORVAN_CLASS(TcxPivotGridStyleSheet, TcxCustomStyleSheet)
 public:
  using TcxCustomStyleSheet::TcxCustomStyleSheet;
  TClass StylesClass() override { return TcxPivotGridStyles::StaticClass(); }
  TcxPivotGridStyles* Styles() const {
    return static_cast<TcxPivotGridStyles*>(const_cast<TcxPivotGridStyleSheet*>(this)->OwnedStyles());
  }
  void SetStyles(TcxPivotGridStyles* v) { AssignStyles(v); }
};

// ---- cell view infos ------------------------------------------------------------------------------

// One visible element of the grid: its rectangle, resolved style, text and parts; the parts
// are placed on the first paint or hit test (CheckCalculated).
class TcxPivotGridCustomCellViewInfo {
 public:
  TcxPivotGridCustomCellViewInfo() = default;
  TcxPivotGridCustomCellViewInfo(TcxCustomLookAndFeelPainterClass painter, const TcxStyleParams& params,
                                 const TRect& clipRect, const TRect& bounds);
  virtual ~TcxPivotGridCustomCellViewInfo() = default;

  virtual void AfterCustomDraw(TcxCanvas* canvas);
  virtual void BeforeCustomDraw(TcxCanvas* canvas);
  virtual void Calculate() {}
  virtual void Paint();
  virtual bool ExcludeFromClipping(TcxCanvas* canvas);
  virtual bool GetHitTest(TcxPivotGridHitTest* hitTest);
  virtual bool IsTextTruncated(const TPoint&) { return false; }
  virtual bool UpdateHotTrackState(const TPoint&) { return false; }
  void Draw(TcxCanvas* canvas);
  void CheckCalculated();
  void SetBounds(const TRect& bounds, const TRect& clipRect);
  static TRect ContentRect(const TRect& r, const TcxBorders& borders);
  void MarkClipped(bool flag) { Clipped = Clipped || flag; }

  TcxBorders Borders;
  TRect Bounds{0, 0, 0, 0};
  TcxCanvas* Canvas = nullptr;
  TRect VisibleBounds{0, 0, 0, 0};
  String DisplayText;
  bool Clipped = false;
  TcxCustomLookAndFeelPainterClass Painter = nullptr;
  TcxStyleParams ViewParams;
  bool Visible = false;
  bool Calculated = false;
};

// A row or column group-value header.
class TcxPivotGridHeaderCellViewInfo : public TcxPivotGridCustomCellViewInfo {
 public:
  using TcxPivotGridCustomCellViewInfo::TcxPivotGridCustomCellViewInfo;
  void Calculate() override;
  void Paint() override;
  bool GetHitTest(TcxPivotGridHitTest* hitTest) override;
  bool IsTextTruncated(const TPoint& p) override;
  virtual void CalculateImageBounds();
  virtual void CalculateSortMarkBounds();
  virtual void CheckResizeEdge(TcxPivotGridHitTest* hitTest);
  virtual bool DrawBackgroundBitmap(TcxCanvas* canvas, const TRect& r);
  virtual bool IsFieldHeader() { return false; }
  int TextWidth();

  TAlignment AlignHorz = taLeftJustify;
  TcxAlignmentVert AlignVert = vaTop;
  TRect ExpandButtonRect{0, 0, 0, 0};
  TcxPivotGridViewDataItem* Data = nullptr;
  bool Expanded = false;
  bool HasExpandButton = false;
  TCustomImageList* Images = nullptr;
  TAlignment ImageAlignHorz = taLeftJustify;
  TcxAlignmentVert ImageAlignVert = vaTop;
  int ImageIndex = -1;
  TRect ImageRect{0, 0, 0, 0};
  bool MultiLine = false;
  TcxNeighbors Neighbors;
  IcxPivotGridSizableObject* SizableObject = nullptr;
  bool ShowEndEllipsis = false;
  int SortMark = 0;  // 0 none, 1 ascending, 2 descending
  TRect SortMarkRect{0, 0, 0, 0};
  TcxButtonState State = cxbsNormal;
  TRect TextRect{0, 0, 0, 0};
};

using TcxPivotGridFieldHeaderCustomDraw =
    std::function<void(TcxCanvas*, TcxPivotGridFieldHeaderCellViewInfo*, bool&)>;

// The header of a field or of the "Data" pseudo field; owned by it and reused by every layout.
class TcxPivotGridFieldHeaderCellViewInfo : public TcxPivotGridHeaderCellViewInfo {
 public:
  explicit TcxPivotGridFieldHeaderCellViewInfo(TObject* owner);
  void CalculateSortMarkBounds() override;
  void Paint() override;
  bool ExcludeFromClipping(TcxCanvas* canvas) override;
  bool GetHitTest(TcxPivotGridHitTest* hitTest) override;
  bool IsTextTruncated(const TPoint& p) override;
  bool UpdateHotTrackState(const TPoint& p) override;
  bool IsFieldHeader() override { return true; }
  void InitFieldHeader(TcxCanvas* canvas, TcxCustomLookAndFeelPainterClass painter, const TcxStyleParams& params);
  int BestWidth();
  int RequiredHeight();
  void PaintTo(TcxCanvas* canvas, const TRect& r, const TcxPivotGridFieldHeaderCustomDraw& customDraw,
               TcxButtonState state);
  // The field (nullptr for the "Data" header) and the interface of the owner.
  TcxPivotGridField* Field() const;
  IcxPivotGridField* FieldIntf() const;
  bool HasFilterButton() const { return FilterState != cxbsDisabled; }
  // Stores the state and invalidates the header on the grid.
  void SetState(TcxButtonState state, TcxCustomPivotGrid* grid);
  TRect ConnectorRect() const;

  int AreaIndex = -1;
  TcxPivotGridFieldArea Area = faFilter;
  bool FilterActive = false;
  TRect FilterButtonRect{0, 0, 0, 0};
  TcxButtonState FilterState = cxbsDisabled;
  TcxPivotGridFieldGroup* Group = nullptr;
  TObject* Owner;
};

class TcxPivotGridDataCellViewInfo : public TcxPivotGridCustomCellViewInfo {
 public:
  // A temporary cell for the text of a cell (clipboard, best fit).
  TcxPivotGridDataCellViewInfo(TcxPivotGridViewDataItem* row, TcxPivotGridViewDataItem* column,
                               TcxPivotGridField* dataField);
  TcxPivotGridDataCellViewInfo(TcxCustomLookAndFeelPainterClass painter, const TcxStyleParams& params,
                               const TRect& clipRect, const TRect& bounds);
  void Init(TcxPivotGridViewDataItem* row, TcxPivotGridViewDataItem* column, TcxPivotGridField* dataField);
  void Calculate() override;
  void Paint() override;
  bool GetHitTest(TcxPivotGridHitTest* hitTest) override;
  bool IsTextTruncated(const TPoint& p) override;
  int BestWidth();
  String GetDisplayFormat();

  TcxPivotGridViewDataItem* RowItem() const { return row_; }
  TcxPivotGridViewDataItem* ColumnItem() const { return column_; }
  TcxPivotGridField* DataField() const { return dataField_; }
  TcxPivotGridCrossCell* CrossCell() const { return crossCell_; }
  TcxPivotGridCrossCellSummary* Summary() const { return summary_; }
  TcxPivotGridSummaryType SummaryType() const { return summaryType_; }
  TcxPivotGridCustomTotal* CustomTotal() const { return customTotal_; }
  bool IsTotal() const { return isTotal_; }
  const Variant& Value() const { return value_; }

  TColor GridLineColor = clBtnShadow;
  int FocusMark = 0;  // 0 none, 1 focus frame, 2 inverted frame
  bool MarkNarrow = false;
  bool Selected = false;
  TRect TextRect{0, 0, 0, 0};
  int ColumnIndex = 0, RowIndex = 0;

 private:
  TcxPivotGridViewDataItem* row_ = nullptr;
  TcxPivotGridViewDataItem* column_ = nullptr;
  TcxPivotGridField* dataField_ = nullptr;
  TcxPivotGridCrossCell* crossCell_ = nullptr;
  TcxPivotGridCrossCellSummary* summary_ = nullptr;
  TcxPivotGridSummaryType summaryType_ = stSum;
  TcxPivotGridCustomTotal* customTotal_ = nullptr;
  bool isTotal_ = false;
  Variant value_;
};

// The background of a header area, with its hint ("Drop Row Fields Here").
class TcxPivotGridHeaderBackgroundCellViewInfo : public TcxPivotGridCustomCellViewInfo {
 public:
  using TcxPivotGridCustomCellViewInfo::TcxPivotGridCustomCellViewInfo;
  void Paint() override;
  bool GetHitTest(TcxPivotGridHitTest* hitTest) override;
  TcxPivotGridFieldArea Area = faFilter;
  bool ShowText = false;
};

// The line under the filter area.
class TcxPivotGridFilterSeparatorCellViewInfo : public TcxPivotGridCustomCellViewInfo {
 public:
  using TcxPivotGridCustomCellViewInfo::TcxPivotGridCustomCellViewInfo;
  void Paint() override;
  int EndWidth = 2;
};

// A list of laid-out cells of one kind; the owning lists free their cells when cleared.
class TcxPivotGridCells {
 public:
  using TCustomDraw = std::function<void(TcxCanvas*, TcxPivotGridCustomCellViewInfo*, bool&)>;
  explicit TcxPivotGridCells(bool owns = true) : owns_(owns) {}
  ~TcxPivotGridCells() { Clear(); }
  TcxPivotGridCells(const TcxPivotGridCells&) = delete;
  TcxPivotGridCells& operator=(const TcxPivotGridCells&) = delete;
  void Add(TcxPivotGridCustomCellViewInfo* cell) { items_.push_back(cell); }
  void Clear();
  int Count() const { return int(items_.size()); }
  TcxPivotGridCustomCellViewInfo* CellAt(int i) const { return items_.at(std::size_t(i)); }
  TcxPivotGridCustomCellViewInfo* operator[](int i) const { return items_[std::size_t(i)]; }
  void CheckCalculated();
  bool GetHitTest(TcxPivotGridHitTest* hitTest);
  void ExcludeFromClipping(TcxCanvas* canvas);
  virtual void PaintWithCustomDraw(TcxCanvas* canvas, const TCustomDraw& customDraw);
  std::vector<TcxPivotGridCustomCellViewInfo*>& List() { return items_; }

 private:
  bool owns_;
  std::vector<TcxPivotGridCustomCellViewInfo*> items_;
};

// A zone of a header area that accepts a dragged field and the mark of the insert position.
struct TcxPivotGridDragDropAreaInfo {
  TcxPivotGridFieldArea Area = faFilter;
  int AreaIndex = 0;
  TRect Bounds{0, 0, 0, 0};
  TRect MarkBounds{0, 0, 0, 0};
  TObject* Field = nullptr;
};

TcxBorders BordersExcept(bool noTop, bool noLeft, bool noBottom, bool noRight);

// ---- the view info ---------------------------------------------------------------------------------

class TcxPivotGridViewInfo {
 public:
  explicit TcxPivotGridViewInfo(TcxCustomPivotGrid* grid);
  virtual ~TcxPivotGridViewInfo();

  virtual void AfterPaint() {}
  virtual void CheckCellsCalculated();
  virtual int GetFirstColumnIndex();
  virtual int GetFirstRowIndex();
  virtual void UpdateCellSelection(TcxPivotGridDataCellViewInfo* cell);
  virtual void Calculate();
  virtual void CalculateHeaderHeight();
  virtual void AddDropAreas(const TRect& areaBounds, int firstHeader, TcxPivotGridFieldArea area);
  virtual void Recalculate();
  virtual bool GetHitTest(TcxPivotGridHitTest* hitTest);

  void SelectionChanged() { UpdateSelection(); }
  // Drops every cell (the view items they show are being freed).
  void ClearCells();
  TcxPivotGridField* GetDataFieldForItem(TcxPivotGridViewDataItem* item);
  void UpdateSelection();
  int GetRowFieldOffset(int level, IcxPivotGridSizableObject*& field);
  // The position of the "Data" header among the headers of its band, -1 when not shown.
  int DataFieldHeaderPosition(bool checkVisibility = true);
  int ColumnFieldHeaderCount();
  int RowFieldHeaderCount();
  bool HasDataLevelInRows();
  bool HasDataLevelInColumns();
  TcxPivotGridFieldHeaderCellViewInfo* DataHeader();
  // Drops every reference to an image list that is being freed.
  void ReleaseImages(TCustomImageList* images);
  IcxPivotGridBaseStyles* Styles() const { return styles_; }
  void SetStyles(IcxPivotGridBaseStyles* v) { styles_ = v; }
  TcxCustomPivotGrid* PivotGrid() const { return grid_; }
  int RowHeight() const { return RowHeight_; }

  TRect Bounds{0, 0, 0, 0};
  TcxCanvas* Canvas = nullptr;
  TcxCustomLookAndFeelPainterClass Painter = nullptr;
  TcxPivotGridCells FieldHeaders{false};
  TcxPivotGridCells ColumnHeaders, RowHeaders, Parts, DataCells;
  std::vector<std::unique_ptr<TcxPivotGridDragDropAreaInfo>> DropAreas;
  std::vector<TcxPivotGridViewDataItem*> ColumnItems, RowItems;
  std::vector<int> RowFieldOffsets;
  int HeaderHeight = 19, RowHeight_ = 19, FilterAreaHeight = 0, ColumnLevelCount = 1, ColumnHeadersHeight = 0,
      RowHeadersWidth = 0, DataFieldsWidth = 0;
  TRect DataBounds{0, 0, 0, 0}, ColumnHeadersBounds{0, 0, 0, 0}, RowHeadersBounds{0, 0, 0, 0};
  TRect SelectionRect{0, 0, 0, 0};
  TcxStyleParams BackgroundParams;
  bool ExportMode = false, HeadersOverlap = false, CloseGridAtEnd = true, ShowExpandButtons = true;
  int RecalculateCount = 0;

 protected:
  void CalculateHeaders();
  void CalculateFilterArea();
  void CalculateDataFieldHeaders();
  void CalculateColumnFieldHeaders();
  void CalculateRowFieldHeaders();
  // Lists the visible leaves of one axis between start and end; false when the space left
  // after them needs a filler.
  bool CalculateAxis(bool rows, int start, int end, int& dataEnd);
  void CalculateColumns();
  void CalculateRows();
  void CalculateDataCells();
  int FillVisibleItems(std::vector<TcxPivotGridViewDataItem*>& list, TcxPivotGridViewDataItem* first, int& firstIndex,
                       int extent, bool rows);
  void ColumnHeaderChain(TcxPivotGridViewDataItem* leaf, int left);
  void RowHeaderChain(TcxPivotGridViewDataItem* leaf, int top);
  void AddColumnHeader(const TRect& r, TcxPivotGridViewDataItem* item);
  void AddRowHeader(const TRect& r, TcxPivotGridViewDataItem* item, IcxPivotGridSizableObject* field);
  void InitHeaderCell(TcxPivotGridHeaderCellViewInfo* cell, TcxPivotGridViewDataItem* item);
  void AddDataCell(TcxPivotGridViewDataItem* row, TcxPivotGridViewDataItem* column, int top, int left, int rowIndex,
                   int columnIndex);
  void InitCellSelection(TcxPivotGridDataCellViewInfo* cell);
  void AddFiller(const TRect& r);
  TcxPivotGridHeaderBackgroundCellViewInfo* AddAreaBackground(const TRect& r, TcxPivotGridFieldArea area,
                                                              const char* hint, bool showText);
  void PlaceFieldHeader(const TRect& r, TcxPivotGridField* field, int index, TcxPivotGridFieldArea area);
  void PrepareFieldHeader(TcxPivotGridFieldHeaderCellViewInfo* cell, TcxPivotGridField* field);
  TcxPivotGridFieldHeaderCellViewInfo* BandHeader(TcxPivotGridFieldArea area, int i);
  std::vector<TcxPivotGridField*> AreaFields(TcxPivotGridFieldArea area);

  TcxCustomPivotGrid* grid_;
  IcxPivotGridBaseStyles* styles_ = nullptr;
  std::unordered_map<TcxPivotGridViewDataItem*, TRect> placed_;
};

// ---- the painter -------------------------------------------------------------------------------------

class TcxPivotGridPainter {
 public:
  explicit TcxPivotGridPainter(TcxCustomPivotGrid* grid) : PivotGrid(grid) {}
  virtual ~TcxPivotGridPainter() = default;
  virtual void DoPaint();
  void Paint(TcxCanvas* canvas);
  TcxCanvas* Canvas = nullptr;
  TcxCustomPivotGrid* PivotGrid;
  TcxPivotGridViewInfo* ViewInfo = nullptr;
};

// ---- hit test, hot tracking, hints, controller ------------------------------------------------------

enum TcxPivotGridHitCode : int {
  HitExpandButton = 1, HitDataCell = 2, HitFieldHeaderNoOwner = 3, HitFieldHeader = 4, HitHeaderArea = 5,
  HitFilterButton = 6, HitGroupHeader = 7, HitResizeEdge = 8
};

class TcxPivotGridHitTest {
 public:
  explicit TcxPivotGridHitTest(TcxCustomPivotGrid* grid) : PivotGrid(grid) {}
  virtual ~TcxPivotGridHitTest() = default;
  void Clear();
  void Recalculate();
  bool HasCode(int code) const { return (HitCodes >> code) & 1u; }
  void SetCode(int code, bool value) {
    if (value) HitCodes |= (uint64_t(1) << code);
    else HitCodes &= ~(uint64_t(1) << code);
  }
  void SetHitPoint(const TPoint& p) {
    HitPoint = p;
    Recalculate();
  }
  TcxPivotGridGroupItem* GroupItem();
  // The field interface of a field header hit (nullptr otherwise).
  IcxPivotGridField* HitField();

  TObject* HitObject = nullptr;
  TcxPivotGridCustomCellViewInfo* HitCell = nullptr;
  TPoint HitPoint{0, 0};
  IcxPivotGridSizableObject* ResizeObject = nullptr;
  int ResizeStart = 0;
  uint64_t HitCodes = 0;
  TcxCustomPivotGrid* PivotGrid;
};

class TcxPivotGridController;

class TcxPivotGridHotTrackController {
 public:
  explicit TcxPivotGridHotTrackController(TcxPivotGridController* c) : Controller(c) {}
  virtual ~TcxPivotGridHotTrackController() = default;
  virtual void Clear() { HotCell = nullptr; }
  virtual void Update(TcxPivotGridCustomCellViewInfo* cell);
  TcxPivotGridCustomCellViewInfo* HotCell = nullptr;
  TcxPivotGridController* Controller;
};

class TcxPivotGridHintController : public IcxMouseTrackingCaller {
 public:
  explicit TcxPivotGridHintController(TcxPivotGridController* c);
  ~TcxPivotGridHintController() override;
  virtual bool CanShowHint(TRect& cellBounds, TRect& hintBounds);
  virtual void CheckHintWindow();
  virtual bool NeedShowHint();
  virtual void HideHint();
  virtual void ShowHint();
  void CheckHint();
  void MouseLeave() override { HideHint(); }
  // Forgets a cell that the view info freed.
  void ForgetCells() { LastHintCell = nullptr; }

  TRect HintRect{0, 0, 0, 0};
  std::unique_ptr<TcxTimer> HintTimer;
  TcxPivotGridCustomCellViewInfo* LastHintCell = nullptr;
  String HintText;
  bool Shown = false;
  THintWindow* HintWindow = nullptr;
  TcxPivotGridController* Controller;

 private:
  void TimerTick(TObject*);
};

class TcxPivotGridFilterPopup;

class TcxPivotGridController {
 public:
  explicit TcxPivotGridController(TcxCustomPivotGrid* grid);
  virtual ~TcxPivotGridController();
  // The field filter drop-down (cxPivotGridFilterPopup.h), owned by the grid, made on first use.
  virtual TcxPivotGridFilterPopup* CreateFilterPopup();
  TcxPivotGridFilterPopup* GetFilterPopup();
  virtual TcxPivotGridHintController* CreateHintController() { return new TcxPivotGridHintController(this); }
  virtual TcxPivotGridHotTrackController* CreateHotTrackController() { return new TcxPivotGridHotTrackController(this); }
  virtual TcxDragAndDropObjectClass GetDragAndDropObjectClass();
  virtual bool ProcessExpandButtonClick();
  virtual bool CanStartDrag(const TPoint& p);
  virtual void Clear();
  virtual void PreviewMouseDown() {}
  virtual void DblClick();
  virtual void KeyDown(Word& key, TShiftState shift);
  virtual void KeyPress(char32_t& key);
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseLeave();
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void UpdateHitTest();
  TCursor GetCursor(int x, int y);
  void SelectCell(int column, int row, TShiftState shift);
  void MoveFocus(int dx, int dy, TShiftState shift);
  void CheckAutoScroll(int x, int y);
  // Clears every reference to the cells of the last layout (a relayout frees them).
  void ResetCells();
  // Takes the pressed field (the drag object owns it from then on).
  IcxPivotGridField* TakePressedField() {
    IcxPivotGridField* f = PressedField;
    PressedField = nullptr;
    return f;
  }

  TcxCustomPivotGrid* PivotGrid;
  std::unique_ptr<TcxPivotGridHintController> HintController;
  std::unique_ptr<TcxPivotGridHotTrackController> HotTrackController;
  std::unique_ptr<TcxTimer> ScrollTimer;
  IcxPivotGridField* PressedField = nullptr;
  TcxPivotGridFilterPopup* FilterPopup = nullptr;
  bool FilterClosedOnButton = false;
  bool SelectingCells = false;

 private:
  void PressHeader(TShiftState shift);
  void ScrollTimerTick(TObject*);
};

// ---- drag and drop -----------------------------------------------------------------------------------

class TcxPivotGridCustomDragDropObject : public TcxDragAndDropObject {
  KORVAN_CLASS(TcxPivotGridCustomDragDropObject, TcxDragAndDropObject)
 public:
  explicit TcxPivotGridCustomDragDropObject(TcxControl* control) : TcxDragAndDropObject(control) {}
  virtual TcxCustomPivotGrid* PivotGrid();
};

// Resizing a header by its right edge: an inverted 2-pixel line follows the pointer.
class TcxPivotGridResizingObject : public TcxPivotGridCustomDragDropObject {
  KORVAN_CLASS(TcxPivotGridResizingObject, TcxPivotGridCustomDragDropObject)
 public:
  explicit TcxPivotGridResizingObject(TcxControl* control) : TcxPivotGridCustomDragDropObject(control) {}
  void DirtyToggled() override;
  TCursor CursorFor(bool) override;
  bool StartsImmediately() override { return true; }
  void StartDrag() override;
  void MoveDrag(const TPoint& p, bool& accepted) override;
  void BeforeFinishDrag(bool accepted) override;
  TRect LineRect() const;

  int CurrentX = 0, StartX = 0, EdgeOffset = 0;
  TRect LineBounds{0, 0, 0, 0};
  IcxPivotGridSizableObject* ResizeObject = nullptr;
  int ResizeStart = 0;

 private:
  bool lineShown_ = false;
};

// Dragging a field header: a blended picture of the header follows the pointer on the screen
// and two arrows mark the insert position; what they cover is saved and put back.
class TcxPivotGridDragAndDropObject : public TcxPivotGridCustomDragDropObject {
  KORVAN_CLASS(TcxPivotGridDragAndDropObject, TcxPivotGridCustomDragDropObject)
 public:
  // Made from its class by the field list (the class its form names).
  using CreateArgType = TcxControl*;
  explicit TcxPivotGridDragAndDropObject(TcxControl* control);
  ~TcxPivotGridDragAndDropObject() override;
  virtual bool CanRemove();
  virtual bool FindDropArea(const TPoint& p, TcxPivotGridDragDropAreaInfo*& area);
  virtual TBitmap* CreateDragImage();
  virtual void DropTo(TcxPivotGridFieldArea area, int index);
  virtual TSize GetDragImageSize();
  virtual bool IsSamePosition();
  TCursor CursorFor(bool accepted) override;
  void StartDrag() override;
  void MoveDrag(const TPoint& p, bool& accepted) override;
  void BeforeFinishDrag(bool accepted) override;
  void FinishDrag(bool accepted) override;
  // The drag field's owner was freed: the drag goes on without it and drops nothing.
  void FieldFreed(TObject* field);

  IcxPivotGridField* DragField = nullptr;
  TObject* DragFieldObject = nullptr;
  bool Accepted = false;
  TRect MarkBounds{0, 0, 0, 0};
  bool ImageShown = false, ArrowsShown = false;
  std::unique_ptr<TBitmap> ArrowsBackground, DragImage, ImageBackground, WorkImage;
  TcxPivotGridDragDropAreaInfo DropArea;
  bool HasDropArea = false;
  TSize ImageSize{0, 0};
  bool ImageSizeCalculated = false;
  std::vector<Byte> GapColumns;
  TPoint HotSpot{0, 0};
  TPoint ImagePos{0, 0};

 protected:
  // The pointer in the grid's client coordinates (a drag from the field list converts it).
  virtual TPoint CurrentPoint() { return LastPoint(); }

 private:
  bool dropPending_ = false, hidePending_ = false;
  bool IsOverCustomizationForm();
  TcxPivotGridFieldHeaderCellViewInfo* Header();
  std::vector<TcxPivotGridField*> GroupMembers();
  void ShowImage(const TPoint& pos);
  void MoveImage(const TPoint& pos);
  void HideImage();
  void BlendImage();
  void ShowArrows(const TRect& mark);
  void HideArrows();
  TPoint ScreenPoint(const TPoint& p);
};

// ---- export controller ---------------------------------------------------------------------------------

// Puts the grid into an export state for its lifetime: every group counts as expanded, the
// grid stays locked, and the options, styles and display flags come back when it is freed.
class TcxPivotGridExportController {
 public:
  explicit TcxPivotGridExportController(TcxCustomPivotGrid* grid);
  virtual ~TcxPivotGridExportController();
  virtual void RestoreState();
  virtual void SaveState();
  void ExpandColumns(bool value);
  void ExpandRows(bool value);
  void ReplaceStyles(IcxPivotGridBaseStyles* styles);
  TcxPivotGridOptionsView* OptionsView();
  TcxPivotGridViewInfo* ViewInfo();
  TcxPivotGridViewInfo* CalculateViewInfo();
  TcxCustomPivotGrid* PivotGrid() const { return grid_; }

 private:
  TcxCustomPivotGrid* grid_;
  bool savedFlags_[2] = {true, true};
  std::unique_ptr<TcxPivotGridOptionsView> savedOptionsView_;
  std::unique_ptr<TcxPivotGridStyles> savedStyles_;
};

// The field list holder and the context menus (cxPivotGridCustomization.h, cxPivotGridPopupMenus.h).
class TcxPivotGridCustomization;
class TcxPivotGridPopupMenus;

// ---- the pivot grid --------------------------------------------------------------------------------

class TcxCustomPivotGrid : public TcxControl {
  KORVAN_CLASS(TcxCustomPivotGrid, TcxControl)
 public:
  explicit TcxCustomPivotGrid(TComponent* owner);
  ~TcxCustomPivotGrid() override;
  void BeforeDestruction() override;
  void Loaded() override;

  // Virtual operations.
  virtual void ResetFieldCaches();
  virtual void CreateSubClasses();
  virtual void DestroySubClasses();
  virtual void DataChanged();
  virtual TClass GetFieldClass();
  virtual TcxCustomDataController* CreateDataController();
  virtual TcxPivotGridDataBuilder* CreateDataBuilder();
  virtual TcxPivotGridViewData* CreateViewData();
  virtual TcxPivotGridViewInfo* CreateViewInfo();
  virtual TcxPivotGridController* CreateController();
  virtual TcxPivotGridHitTest* CreateHitTest();
  virtual TcxPivotGridPainter* CreatePainter();
  virtual TcxPivotGridOptionsView* CreateOptionsView();
  virtual TcxPivotGridStyles* CreateStyles();
  virtual void DoCustomDrawFieldHeader(TcxCanvas* canvas, TcxPivotGridFieldHeaderCellViewInfo* cell, bool& done);
  virtual void DoCustomDrawColumnHeader(TcxCanvas* canvas, TcxPivotGridHeaderCellViewInfo* cell, bool& done);
  virtual void DoCustomDrawPart(TcxCanvas* canvas, TcxPivotGridCustomCellViewInfo* cell, bool& done);
  virtual void DoCustomDrawRowHeader(TcxCanvas* canvas, TcxPivotGridHeaderCellViewInfo* cell, bool& done);
  virtual void DoCustomDrawCell(TcxCanvas* canvas, TcxPivotGridDataCellViewInfo* cell, bool& done);
  virtual void DoCustomization();
  virtual void DoCompare(TcxPivotGridField* field, const Variant& v1, const Variant& v2, int& compare);
  virtual void DoFieldPosChanged(TcxPivotGridField* field);
  virtual void DoLayoutChanged();
  virtual void DoSelectionChanged();
  virtual bool CanEditData() { return false; }
  virtual void DataControllerUpdated(TcxUpdateControlInfo* info);
  virtual void DataControllerEditingUpdated();
  virtual void DataControllerItemsUpdated();
  virtual bool CanRetrieveFields(bool& isActive);
  virtual void CreateAllFields() {}
  virtual TcxPivotGridField* CreateStoredObject(const String& name, const String& className);
  virtual void GetStoredChildren(std::vector<TObject*>& list);
  virtual void CopyToClipboard(bool all);
  virtual TcxPivotGridField* CreateField();
  // The clipboard text (`CopyToClipboard` puts it on the clipboard).
  String ClipboardText(bool all);

  // Update bracket and change entry points.
  void BeginUpdate();
  void EndUpdate();
  bool IsLocked() const;
  bool IsDestroying() const { return destroying_; }
  void LayoutChanged();
  void ViewChanged();
  void SelectionChanged();
  void ApplyBestFit();
  void DeleteAllFields();
  void CheckChanges();
  Byte ChangeFlags() const { return changeFlags_; }
  void SetChangeFlags(Byte v) { changeFlags_ = v; }
  // The data cell widths measured once for a whole best-fit run (nullptr outside of one).
  std::unordered_map<TcxPivotGridField*, int>* BestFitWidths() const { return bestFitWidths_; }

  // Fields.
  int FieldCount() const { return int(fields_.size()); }
  TcxPivotGridField* Fields(int i) const { return fields_.at(std::size_t(i)); }
  int IndexOfField(const TcxPivotGridField* f) const;
  void AddField(TcxPivotGridField* field);
  void RemoveField(TcxPivotGridField* field);
  bool ChangeFieldPosition(TObject* object, TcxPivotGridFieldArea area, int& index);
  TcxPivotGridFields& SummaryFields() { return summaryFields_; }
  bool HasVariationFields() const { return hasVariationFields_; }
  void SetHasVariationFields(bool v) { hasVariationFields_ = v; }
  bool OnCompareAssigned() const { return onCompareAssigned_; }
  TDateTime Today() const { return today_; }
  void SetToday(TDateTime v) { today_ = v; }

  // Companions.
  TcxPivotGridController* Controller() const { return controller_.get(); }
  TcxPivotGridDataBuilder* DataBuilder() const { return dataBuilder_.get(); }
  TcxCustomDataController* DataController() const { return dataController_.get(); }
  TcxPivotGridFieldGroupCollection* Groups() const { return groups_.get(); }
  TcxPivotGridViewData* ViewData() const { return viewData_.get(); }
  TcxPivotGridViewInfo* ViewInfo() const { return viewInfo_.get(); }
  TcxPivotGridHitTest* HitTest() const { return hitTest_.get(); }
  TcxPivotGridPainter* Painter() const { return painter_.get(); }
  TcxPivotGridCustomization* Customization() const { return customization_.get(); }
  TcxPivotGridPopupMenus* PopupMenus() const { return popupMenus_.get(); }
  void SetPopupMenus(TcxPivotGridPopupMenus* v);
  TCustomImageList* FieldHeaderImages() const { return fieldHeaderImages_; }
  void SetFieldHeaderImages(TCustomImageList* v);
  TCustomImageList* GroupHeaderImages() const { return groupHeaderImages_; }
  void SetGroupHeaderImages(TCustomImageList* v);
  // The export controller runs a layout while the grid is locked.
  int LockCount() const { return lockCount_; }
  void SetLockCount(int v) { lockCount_ = v; }
  // The painter currently in use (the look and feel's).
  TcxCustomLookAndFeelPainterClass ViewPainter() { return CurrentPainter(); }
  // A field is being freed: the view and a running drag forget it.
  void FieldRemoving(TcxPivotGridField* field);
  // Whether the grid paints as focused (the input focus, or its filter drop-down has it).
  bool IsFocused() { return HasFocus(); }
  void InvalidateRect(const TRect& r);
  TcxPivotGridOptionsBehavior* OptionsBehavior() const { return optionsBehavior_.get(); }
  TcxPivotGridOptionsCustomize* OptionsCustomize() const { return optionsCustomize_.get(); }
  TcxPivotGridOptionsData* OptionsData() const { return optionsData_.get(); }
  TcxPivotGridOptionsDataField* OptionsDataField() const { return optionsDataField_.get(); }
  TcxPivotGridOptionsSelection* OptionsSelection() const { return optionsSelection_.get(); }
  TcxPivotGridOptionsView* OptionsView() const { return optionsView_.get(); }
  // The object-valued setters copy with Assign.
  void SetGroups(TcxPivotGridFieldGroupCollection* v);
  void SetOptionsBehavior(TcxPivotGridOptionsBehavior* v);
  void SetOptionsCustomize(TcxPivotGridOptionsCustomize* v);
  void SetOptionsData(TcxPivotGridOptionsData* v);
  void SetOptionsDataField(TcxPivotGridOptionsDataField* v);
  void SetOptionsSelection(TcxPivotGridOptionsSelection* v);
  void SetOptionsView(TcxPivotGridOptionsView* v);
  TcxPivotGridStyles* Styles() const { return styles_.get(); }
  void SetStyles(TcxPivotGridStyles* v);
  // Form text: the grid's children are the inherited ones and its fields owned by the root.
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

  // Events.
  std::function<void(TcxCustomPivotGrid*, TcxPivotGridField*, const Variant&, const Variant&, int&)> OnCompare;
  std::function<void(TcxCustomPivotGrid*, TcxPivotGridField*)> OnFieldPosChanged;
  TNotifyEvent OnLayoutChanged;
  TNotifyEvent OnSelectionChanged;
  TNotifyEvent OnCustomization;
  std::function<void(TcxCustomPivotGrid*, TcxCanvas*, TcxPivotGridFieldHeaderCellViewInfo*, bool&)>
      OnCustomDrawFieldHeader;
  std::function<void(TcxCustomPivotGrid*, TcxCanvas*, TcxPivotGridHeaderCellViewInfo*, bool&)> OnCustomDrawColumnHeader;
  std::function<void(TcxCustomPivotGrid*, TcxCanvas*, TcxPivotGridHeaderCellViewInfo*, bool&)> OnCustomDrawRowHeader;
  std::function<void(TcxCustomPivotGrid*, TcxCanvas*, TcxPivotGridCustomCellViewInfo*, bool&)> OnCustomDrawPart;
  std::function<void(TcxCustomPivotGrid*, TcxCanvas*, TcxPivotGridDataCellViewInfo*, bool&)> OnCustomDrawCell;

  // Control hooks.
  void Paint() override;
  void ComputeScrollBarData() override;
  void PanScroll(TScrollBarKind kind, TScrollCode code, Integer& position) override;
  TCursor GetCursorAt(Integer x, Integer y) override;
  TcxDragAndDropObjectClass DragObjectClass() override;
  bool CanStartDragAndDrop(const TPoint& p) override;
  void NotifyFocusChanged() override;
  void HandleFontChange() override;
  void HandleBoundsChange() override;
  void LookAndFeelUpdated(TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed) override;
  void KeyPress(char32_t& key) override;
  void DblClick() override;
  void CMMouseLeave(TMessage& m) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void KeyDown(Word& key, TShiftState shift) override;
  // The built-in menus first, then the grid's own popup menu.
  void DoContextPopup(TPoint mousePos, bool& handled) override;

 protected:
  friend class TcxDBPivotGrid;
  void Notification(TComponent* c, TOperation op) override;
  void ImagesChanged(TObject*);
  void FitRowBandToDataHeaders();
  void ReplaceImages(TCustomImageList*& slot, TCustomImageList* v);
  std::unique_ptr<TcxPivotGridHitTest> hitTest_;
  std::unique_ptr<TcxPivotGridPainter> painter_;
  std::unique_ptr<TChangeLink> imagesChangeLink_;
  TCustomImageList* fieldHeaderImages_ = nullptr;
  TCustomImageList* groupHeaderImages_ = nullptr;
  std::unordered_map<TcxPivotGridField*, int>* bestFitWidths_ = nullptr;
  std::vector<TcxPivotGridField*> fields_;
  std::unique_ptr<TcxPivotGridFieldGroupCollection> groups_;
  std::unique_ptr<TcxPivotGridOptionsView> optionsView_;
  std::unique_ptr<TcxPivotGridController> controller_;
  std::unique_ptr<TcxCustomDataController> dataController_;
  std::unique_ptr<TcxPivotGridDataBuilder> dataBuilder_;
  std::unique_ptr<TcxPivotGridViewInfo> viewInfo_;
  std::unique_ptr<TcxPivotGridViewData> viewData_;
  std::unique_ptr<TcxPivotGridOptionsCustomize> optionsCustomize_;
  std::unique_ptr<TcxPivotGridOptionsBehavior> optionsBehavior_;
  std::unique_ptr<TcxPivotGridOptionsData> optionsData_;
  std::unique_ptr<TcxPivotGridOptionsDataField> optionsDataField_;
  std::unique_ptr<TcxPivotGridOptionsSelection> optionsSelection_;
  std::unique_ptr<TcxPivotGridStyles> styles_;
  std::unique_ptr<TcxPivotGridCustomization> customization_;
  std::unique_ptr<TcxPivotGridPopupMenus> popupMenus_;
  TcxPivotGridFields summaryFields_;
  Byte changeFlags_ = 0;
  int lockCount_ = 0;
  bool onCompareAssigned_ = false;
  bool hasVariationFields_ = false;
  bool destroying_ = false;
  bool subClassesCreated_ = false;
  TDateTime today_ = 0;
};

// A data controller whose items are the grid's fields and which reports to the grid; `TBase`
// is the plain or the data-set controller.
template <class TBase>
class TcxPivotGridDataControllerOf : public TBase {
 public:
  explicit TcxPivotGridDataControllerOf(TcxCustomPivotGrid* grid) : TBase(grid), grid_(grid) {}
  TObject* GetItem(int index) override { return grid_->Fields(index); }
  int GetItemID(TObject* item) override { return grid_->IndexOfField(dynamic_cast<TcxPivotGridField*>(item)); }
  void UpdateControl(TcxUpdateControlInfo* info) override {
    TBase::UpdateControl(info);
    if (IgnoresInfo(info)) return;
    grid_->DataControllerUpdated(info);
  }
  void UpdateItemIndexes() override {
    grid_->DataControllerItemsUpdated();
    TBase::UpdateItemIndexes();
  }
  void UpdateEditingData() override { grid_->DataControllerEditingUpdated(); }
  bool CanInitEditing(int) override { return grid_->CanEditData(); }

 protected:
  virtual bool IgnoresInfo(TcxUpdateControlInfo*) { return false; }
  TcxCustomPivotGrid* grid_;
};

class TcxPivotGridDataController : public TcxPivotGridDataControllerOf<TcxCustomDataController> {
 public:
  using TcxPivotGridDataControllerOf::TcxPivotGridDataControllerOf;
};

// Unit start: the control services the grid uses (the screen, the cursors).
void InitializeCxCustomPivotGrid();

// Resource texts of the pivot grid (passed through ReplaceResourceText at use).
String cxPivotGridResText(const char* text);
