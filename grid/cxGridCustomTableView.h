// The record-based view's base: items bound to fields of the view's data controller, their
// data bindings and editor-defaults providers, the per-item recent filter values, and the
// grid's data controller that holds its own records. (Records, abilities, the table
// controller and the stored layout come with the following steps.)
#pragma once

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "data/cxCustomData.h"
#include "grid/cxGridCustomView.h"
#include "grid/cxGridEditLinks.h"
#include "grid/cxNavigator.h"

class TcxCustomGridTableItem;
class TcxGridFilterBox;
class TcxCustomGridTableView;
class TcxGridItemDataBinding;
class TcxCustomGridTableViewData;
class TcxCustomGridTableFiltering;
class TcxCustomEdit;

// ---- the two interfaces through which grid code talks to either data controller -----------

class IcxGridDataControllerServices {
 public:
  virtual ~IcxGridDataControllerServices() = default;
  virtual void UpdateGridModeBufferCount() = 0;
  virtual bool ScrollRecord(bool forward) = 0;
  virtual bool ScrollPage(bool forward) = 0;
  virtual TClass GetItemDataBindingClass() = 0;
  virtual TClass GetItemDefaultValuesProviderClass() = 0;
  virtual Integer GetScrollBarPosition() = 0;
  virtual Integer GetScrollBarRecordCount() = 0;
  virtual bool SetScrollBarPosition(Integer value) = 0;
};

class IcxGridDataControllerViewLink {
 public:
  virtual ~IcxGridDataControllerViewLink() = default;
  virtual void CopyDataFrom(TcxCustomDataController* source) = 0;
  virtual void CreateAllItems() = 0;
  virtual void DeleteAllItems() = 0;
  virtual void ListFakeComponentLinks(std::vector<TComponent*>& list) = 0;
  virtual TcxCustomGridView* GetGridView() = 0;
  virtual bool HoldsOwnRecords() = 0;
  virtual bool HasRecordSource() = 0;
  virtual bool CanCreateAllItems() = 0;
};

// ---- recent filter values of an item ------------------------------------------------------

class TcxGridFilterMRUValueItem : public TcxMRUItem {
 public:
  TcxGridFilterMRUValueItem(const Variant& value, const String& displayText)
      : Value(value), DisplayText(displayText) {}
  // Equal values are equal items; texts are not compared.
  bool IsEqual(const TcxMRUItem* item) const override;
  Variant Value;
  String DisplayText;
};

class TcxGridFilterMRUValueItems : public TcxMRUItems {
 public:
  void Add(const Variant& value, const String& displayText) {
    AddToTop(new TcxGridFilterMRUValueItem(value, displayText));
  }
  TcxGridFilterMRUValueItem* Item(int i) const { return static_cast<TcxGridFilterMRUValueItem*>(ItemAt(i)); }
};

// ---- the binding of an item to a field of the data controller ------------------------------

class TcxGridItemDataBinding : public TPersistent {
  KORVAN_CLASS(TcxGridItemDataBinding, TPersistent)

 public:
  using CreateArgType = TcxCustomGridTableItem*;
  explicit TcxGridItemDataBinding(TcxCustomGridTableItem* item);
  ~TcxGridItemDataBinding() override;
  void Assign(TPersistent* source) override;

  TcxCustomGridTableItem* Item() const { return item_; }
  // The editor-defaults provider (a TcxGridDefaultValuesProvider or its data-set twin).
  TPersistent* DefaultValuesProvider() const { return provider_; }
  IcxEditDefaultValuesProvider* GetDefaultValuesProviderIntf() const { return GridDefaultValuesProviderIntf(provider_); }
  TObject* Data() const { return data_; }
  void SetData(TObject* value);
  TcxGridFilterMRUValueItems* FilterMRUValueItems() const { return mruItems_; }
  // The caption of the field's value type class (empty without one).
  String ValueType() const;
  void SetValueType(const String& caption);

  TcxCustomDataController* GetDataController() const;
  TcxCustomGridTableView* GetGridView() const;
  TcxValueTypeClass GetValueTypeClass() const;
  void ChangeValueTypeClass(TcxValueTypeClass value);
  bool IsDisplayFormatDefined(bool isInplace) { return GridItemDisplayFormatDefined(this, isInplace); }

  virtual void AssignFrom(TcxGridItemDataBinding* source);
  virtual TcxValueTypeClass GetDefaultValueTypeClass() const { return TcxStringValueType::Class(); }
  virtual String GetFilterFieldName() const { return String(); }
  virtual void Init() {}
  virtual bool IsValueTypeStored() const;
  virtual String GetDefaultCaption() const { return String(); }
  virtual TcxEditRepositoryItem* GetDefaultRepositoryItem();
  virtual Integer GetDefaultWidth(bool considerMinWidth) { return 64; }

  // Filtering by the item (the drop-down of its filter button).
  // A condition on the item under `parent` (the root for null), after the item's display text
  // hook; `replaceExisting` first removes the item's other conditions.
  TcxFilterCriteriaItem* AddToFilter(TcxFilterCriteriaItemList* parent, TcxFilterOperatorKind kind,
                                     bool replaceExisting, const String& displayText, const Variant& value);
  // The item's entries from all records, then OnGetFilterValues, then its recent values.
  void GetFilterValues(TcxDataFilterValueList* valueList);
  // The entries' texts (through OnGetFilterDisplayText), line i for entry i.
  void GetFilterStrings(TStrings* strings, TcxDataFilterValueList* valueList);
  // A condition on the item exists; False removes them all (True does nothing).
  bool Filtered() const;
  void SetFiltered(bool value);

 protected:
  TPersistent* GetOwner() const override;

 private:
  TcxCustomGridTableItem* item_;
  TPersistent* provider_ = nullptr;
  TcxGridFilterMRUValueItems* mruItems_ = nullptr;
  TObject* data_ = nullptr;
};

// ---- item options and styles -----------------------------------------------------------------

class TcxCustomGridRecord;
class TcxCustomEditProperties;
class TcxCustomGridTableItemRepositoryLink;

enum TcxGridItemShowEditButtons : Byte { isebDefault, isebNever, isebAlways };
enum TcxGridItemSortByDisplayText : Byte { isbtDefault, isbtOn, isbtOff };
enum TcxGridShowEditButtons : Byte { gsebNever, gsebForFocusedRecord, gsebAlways };

// Options that belong to an item; a change is the item's change.
class TcxCustomGridTableItemCustomOptions : public TPersistent {
  KORVAN_CLASS(TcxCustomGridTableItemCustomOptions, TPersistent)

 public:
  using CreateArgType = TcxCustomGridTableItem*;
  explicit TcxCustomGridTableItemCustomOptions(TcxCustomGridTableItem* item) : item_(item) {}
  TcxCustomGridTableItem* Item() const { return item_; }
  TcxCustomGridTableView* GridView() const;
  virtual void Changed(Integer kind);
  virtual void AssignFrom(TPersistent* source) {}
  void Assign(TPersistent* source) override { AssignFrom(source); }

 protected:
  TPersistent* GetOwner() const override;

 private:
  TcxCustomGridTableItem* item_;
};

class TcxCustomGridTableItemOptions : public TcxCustomGridTableItemCustomOptions {
  KORVAN_CLASS(TcxCustomGridTableItemOptions, TcxCustomGridTableItemCustomOptions)

 public:
  explicit TcxCustomGridTableItemOptions(TcxCustomGridTableItem* item) : TcxCustomGridTableItemCustomOptions(item) {}
  bool Editing() const { return editing_; }
  void SetEditing(bool v);
  bool Filtering() const { return filtering_; }
  void SetFiltering(bool v);
  bool FilteringMRUItemsList() const { return filteringMRUItemsList_; }
  void SetFilteringMRUItemsList(bool v);
  bool Focusing() const { return focusing_; }
  void SetFocusing(bool v);
  bool Grouping() const { return grouping_; }
  void SetGrouping(bool v);
  bool IncSearch() const { return incSearch_; }
  void SetIncSearch(bool v);
  bool Moving() const { return moving_; }
  void SetMoving(bool v);
  TcxGridItemShowEditButtons ShowEditButtons() const { return showEditButtons_; }
  void SetShowEditButtons(TcxGridItemShowEditButtons v);
  TcxGridItemSortByDisplayText SortByDisplayText() const { return sortByDisplayText_; }
  void SetSortByDisplayText(TcxGridItemSortByDisplayText v);
  bool Sorting() const { return sorting_; }
  void SetSorting(bool v);
  void AssignFrom(TPersistent* source) override;

 private:
  bool editing_ = true, filtering_ = true, filteringMRUItemsList_ = true, focusing_ = true, grouping_ = true;
  bool incSearch_ = true, moving_ = true, sorting_ = true;
  TcxGridItemShowEditButtons showEditButtons_ = isebDefault;
  TcxGridItemSortByDisplayText sortByDisplayText_ = isbtDefault;
};

// The style asked for a cell: (view, record, item) -> style.
using TcxGridGetCellStyleEvent =
    std::function<void(TcxCustomGridTableView* sender, TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                       TcxStyle*& style)>;

// Styles of an item; their defaults are the view's.
class TcxCustomGridTableItemStyles : public TcxCustomGridStyles {
  KORVAN_CLASS(TcxCustomGridTableItemStyles, TcxCustomGridStyles)

 public:
  static constexpr Integer isContent = 0;
  explicit TcxCustomGridTableItemStyles(TPersistent* owner);
  TcxCustomGridTableItem* Item() const { return item_; }
  TcxCustomGridView* GridView() const override;
  void IndexChanged(Integer index) override;
  TcxStyle* Content() const { return const_cast<TcxCustomGridTableItemStyles*>(this)->GetIndexedStyle(isContent); }
  void SetContent(TcxStyle* v) { SetIndexedStyle(isContent, v); }
  TcxGridGetCellStyleEvent OnGetContentStyle;
  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
  // The item's event (with a record), then its Content style, else the view's content.
  virtual void GetContentParams(TcxCustomGridRecord* record, TcxStyleParams& params);
  void AssignFrom(TPersistent* source) override;

 private:
  TcxCustomGridTableItem* item_;
};

// ---- items --------------------------------------------------------------------------------

using TcxGridGetDataTextEvent = std::function<void(TcxCustomGridTableItem* sender, Integer recordIndex, String& text)>;
// The editor properties of a record's cell: a handler may hand other properties.
using TcxGridGetPropertiesEvent = std::function<void(TcxCustomGridTableItem* sender, TcxCustomGridRecord* record,
                                                     TcxCustomEditProperties*& properties)>;
using TcxGridTableDataCellCustomDrawEvent =
    std::function<void(TcxCustomGridTableItem* sender, TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, bool& done)>;
using TcxGridTableItemGetStoredPropertiesEvent = std::function<void(TcxCustomGridTableItem* sender, TStrings* properties)>;
using TcxGridTableItemGetStoredPropertyValueEvent =
    std::function<void(TcxCustomGridTableItem* sender, const String& name, Variant& value)>;
using TcxGridTableItemSetStoredPropertyValueEvent =
    std::function<void(TcxCustomGridTableItem* sender, const String& name, const Variant& value)>;
using TcxGridGetFilterDisplayTextEvent =
    std::function<void(TcxCustomGridTableItem* sender, const Variant& value, String& displayText)>;
using TcxGridGetFilterValuesEvent = std::function<void(TcxCustomGridTableItem* sender, TcxDataFilterValueList* valueList)>;
using TcxGridUserFilteringEvent =
    std::function<void(TcxCustomGridTableItem* sender, const Variant& value, const String& displayText)>;
using TcxGridGetDisplayTextEvent =
    std::function<void(TcxCustomGridTableItem* sender, TcxCustomGridRecord* record, String& text)>;

class TcxCustomGridTableItem : public TcxComponent {
  KORVAN_CLASS(TcxCustomGridTableItem, TcxComponent)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomGridTableItem(TComponent* owner);
  ~TcxCustomGridTableItem() override;

  TcxCustomGridTableView* GridView() const { return gridView_; }
  Integer ID() const { return id_; }
  Integer Index() const { return index_; }
  TcxGridItemDataBinding* DataBinding() const { return dataBinding_; }
  void SetDataBinding(TcxGridItemDataBinding* value) { if (dataBinding_) dataBinding_->Assign(value); }

  // The assigned caption, else the binding's default caption.
  String Caption() const;
  void SetCaption(const String& value);
  bool IsCaptionAssigned() const { return isCaptionAssigned_; }
  bool Visible() const { return GetVisible(); }
  void SetVisible(bool value);
  Integer MinWidth() const;
  void SetMinWidth(Integer value);
  // The assigned width, else the default width.
  Integer Width() const;
  void SetWidth(Integer value);
  bool IsWidthAssigned() const { return isWidthAssigned_; }
  TcxGridGetDataTextEvent OnGetDataText;
  // Changes the text a group row or an export shows for a record of this item.
  TcxGridGetDisplayTextEvent OnGetDisplayText;

  // Options and styles, made on first use from the class getters.
  TcxCustomGridTableItemOptions* Options();
  TcxCustomGridTableItemStyles* Styles();
  virtual TClass GetOptionsClass() { return TcxCustomGridTableItemOptions::StaticClass(); }
  virtual TClass GetStylesClass() { return TcxCustomGridTableItemStyles::StaticClass(); }
  // Position among the view's visible items, -1 when not visible.
  Integer VisibleIndex() const { return visibleIndex_; }
  void SetIndex(Integer value);
  TAlignment HeaderAlignmentHorz() const { return headerAlignmentHorzAssigned_ ? headerAlignmentHorz_ : taLeftJustify; }
  void SetHeaderAlignmentHorz(TAlignment value);
  bool IsHeaderAlignmentHorzAssigned() const { return headerAlignmentHorzAssigned_; }
  TcxAlignmentVert HeaderAlignmentVert() const { return headerAlignmentVertAssigned_ ? headerAlignmentVert_ : vaTop; }
  void SetHeaderAlignmentVert(TcxAlignmentVert value);
  bool IsHeaderAlignmentVertAssigned() const { return headerAlignmentVertAssigned_; }
  Integer BestFitMaxWidth() const { return bestFitMaxWidth_; }
  void SetBestFitMaxWidth(Integer value);
  bool Hidden() const { return GetHidden(); }
  void SetHidden(bool value);
  bool WasVisibleBeforeGrouping() const { return wasVisibleBeforeGrouping_; }
  void SetWasVisibleBeforeGrouping(bool value) { wasVisibleBeforeGrouping_ = value; }
  // Sorting and grouping of the item's field in the data controller; writes while the view
  // loads a layout wait for its end.
  TcxDataSortOrder SortOrder() const;
  void SetSortOrder(TcxDataSortOrder value);
  Integer SortIndex() const;
  void SetSortIndex(Integer value);
  Integer GroupIndex() const;
  void SetGroupIndex(Integer value);
  bool IsSortOrderStored() const { return SortOrder() != soNone && SortIndex() != -1; }

  // Editor properties: the own ones (of PropertiesClass), the repository item, and the
  // current ones actually used.
  TClass PropertiesClass() const { return propertiesClass_; }
  void SetPropertiesClass(TClass value);
  String PropertiesClassName() const;
  void SetPropertiesClassName(const String& value);
  TcxCustomEditProperties* Properties() const { return properties_; }
  void SetProperties(TcxCustomEditProperties* value);
  TcxEditRepositoryItem* RepositoryItem() const { return repositoryItem_; }
  void SetRepositoryItem(TcxEditRepositoryItem* value);
  // The current properties (own ones without a repository item, else the repository item's,
  // else the binding's default item's) with the binding's defaults attached.
  TcxCustomEditProperties* GetProperties();
  TcxCustomEditProperties* CurrentProperties() const { return currentProperties_; }
  void RefreshCurrentProperties();
  // The supported-operation bits of the current properties (0 without them).
  Word PropertiesOperations();

  // Abilities.
  virtual bool CanFilter(bool checkOptions);
  virtual bool CanGroup();
  virtual bool CanSort();
  virtual bool CanMove();
  virtual bool CanHide();
  virtual bool CanHorzSize() { return !HasFixedWidth(); }
  virtual bool CanIncSearch();
  virtual bool CanShowOnUngrouping() { return true; }
  virtual bool CanScroll() { return true; }
  // The focused record's cell of this item reaches beyond the view's visible data area (so it
  // must be scrolled into view); never for an item that does not scroll.
  virtual bool IsFocusedCellPartlyHidden();
  bool SortByDisplayText(bool defaultValue);
  bool IsFirst() const;
  bool IsLast() const;

  // Focus and editing through the view's table controller.
  virtual bool CanFocus(TcxCustomGridRecord* record);
  virtual bool CanEdit();
  bool Focused() const;
  void SetFocused(bool value);
  bool Editing() const;
  void SetEditing(bool value);
  // Whether the item's cells measure their height (CellAutoHeight).
  virtual bool CanAutoHeight();
  // Whether edit buttons show in a record (focused or not).
  virtual bool ShowButtons(bool focusedRecord);
  // The editor properties for a record (the current properties).
  // The item's properties, or those an OnGetProperties handler hands for the record.
  virtual TcxCustomEditProperties* GetPropertiesForRecord(TcxCustomGridRecord* record);
  TcxGridGetPropertiesEvent OnGetProperties;
  // The value source of the item's editor in place for a record (0 value, 1 text, 2 lookup
  // key; 0 without properties).
  int EditValueSource(TcxCustomGridRecord* record);
  Variant GetEditValue(TcxCustomGridRecord* record);
  void SetEditValue(TcxCustomGridRecord* record, const Variant& value);
  // The in-place editor's data kept across activations.
  class TcxCustomEditData* EditData = nullptr;
  TcxGridTableDataCellCustomDrawEvent OnCustomDrawCell;

  // Stored layout of the item.
  virtual void GetStoredProperties(TStrings* list);
  virtual void GetStoredPropertyValue(const String& name, Variant& value);
  virtual void SetStoredPropertyValue(const String& name, const Variant& value);
  TcxGridTableItemGetStoredPropertiesEvent OnGetStoredProperties;
  TcxGridTableItemGetStoredPropertyValueEvent OnGetStoredPropertyValue;
  TcxGridTableItemSetStoredPropertyValueEvent OnSetStoredPropertyValue;

  // Filtering: recent values allowed, and the filter drop-down's hooks.
  virtual bool CanFilterMRUValueItems();
  virtual void DoGetFilterDisplayText(const Variant& value, String& displayText) {
    if (OnGetFilterDisplayText) OnGetFilterDisplayText(this, value, displayText);
  }
  virtual void DoGetFilterValues(TcxDataFilterValueList* valueList) {
    if (OnGetFilterValues) OnGetFilterValues(this, valueList);
  }
  virtual void DoUserFiltering(const Variant& value, const String& displayText) {
    if (OnUserFiltering) OnUserFiltering(this, value, displayText);
  }
  TcxGridGetFilterDisplayTextEvent OnGetFilterDisplayText;
  TcxGridGetFilterValuesEvent OnGetFilterValues;
  TcxGridUserFilteringEvent OnUserFiltering;

  // Copies the item's settings, options, styles, editor properties and events.
  virtual void AssignFrom(TcxCustomGridTableItem* source);
  void Assign(TPersistent* source) override;
  virtual void Changed(Integer kind);
  virtual bool GetVisible() const { return visible_; }
  virtual bool GetHidden() const { return hidden_; }
  virtual bool GetActuallyVisible() const { return GetVisible(); }
  virtual void DoGetDataText(Integer recordIndex, String& text) {
    if (OnGetDataText) OnGetDataText(this, recordIndex, text);
  }
  virtual void DoGetDisplayText(TcxCustomGridRecord* record, String& text) {
    if (OnGetDisplayText) OnGetDisplayText(this, record, text);
  }
  virtual bool HasFixedWidth() const { return false; }
  virtual String GetDefaultCaption() const { return dataBinding_ ? dataBinding_->GetDefaultCaption() : String(); }
  virtual Integer GetDefaultWidth() const { return dataBinding_ ? dataBinding_->GetDefaultWidth(true) : 64; }
  virtual void SetGridView(TcxCustomGridTableView* value);
  virtual void ValueTypeClassChanged();
  // The field behind the item changed: the binding takes it again.
  virtual void DataChanged() {
    if (dataBinding_) dataBinding_->Init();
  }
  bool IsItemLoading() const;
  // The ID as decimal text when the view has a storing name, else the component name.
  virtual String GetStoredName();

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;

 protected:
  // An explicitly empty caption is stored as "IsCaptionAssigned" so that it survives.
  void DefineProperties(TFiler* filer) override;
  virtual TcxGridItemDataBinding* CreateDataBinding();
  // The current properties changed (class, repository item or own properties).
  virtual void PropertiesValueChanged();

 private:
  friend class TcxCustomGridTableView;
  friend class TcxCustomGridTableItemRepositoryLink;
  void RepositoryItemRemoved(TcxEditRepositoryItem* item);
  // Options, styles, own properties and the repository listener go with the item.
  void FreeSubObjects();
  void ClearDefaultRepositoryItem();
  TcxCustomGridTableItemOptions* options_ = nullptr;
  TcxCustomGridTableItemStyles* styles_ = nullptr;
  TClass propertiesClass_ = nullptr;
  TcxCustomEditProperties* properties_ = nullptr;
  TcxEditRepositoryItem* repositoryItem_ = nullptr;
  TcxEditRepositoryItem* defaultRepositoryItem_ = nullptr;
  TcxCustomEditProperties* currentProperties_ = nullptr;
  TcxCustomGridTableItemRepositoryLink* repositoryLink_ = nullptr;
  Integer visibleIndex_ = -1;
  TAlignment headerAlignmentHorz_ = taLeftJustify;
  TcxAlignmentVert headerAlignmentVert_ = vaTop;
  bool headerAlignmentHorzAssigned_ = false, headerAlignmentVertAssigned_ = false;
  Integer bestFitMaxWidth_ = 0;
  bool hidden_ = false;
  bool wasVisibleBeforeGrouping_ = false;
  TcxCustomGridTableView* gridView_ = nullptr;
  TcxGridItemDataBinding* dataBinding_ = nullptr;
  Integer id_ = -1;
  Integer index_ = -1;
  String caption_;
  bool isCaptionAssigned_ = false;
  bool visible_ = false;
  Integer minWidth_ = 20;
  Integer width_ = 0;
  bool isWidthAssigned_ = false;
};

// ---- the record-based view ----------------------------------------------------------------

enum TcxGridDragFocusing : Byte { dfNone, dfDragOver, dfDragDrop };

// Behaviour options of the record-based view.
class TcxCustomGridTableOptionsBehavior : public TcxCustomGridOptionsBehavior {
  KORVAN_CLASS(TcxCustomGridTableOptionsBehavior, TcxCustomGridOptionsBehavior)

 public:
  explicit TcxCustomGridTableOptionsBehavior(TcxCustomGridView* v) : TcxCustomGridOptionsBehavior(v) {}
  bool CopyCaptionsToClipboard() const { return copyCaptionsToClipboard_; }
  void SetCopyCaptionsToClipboard(bool v);
  Integer BestFitMaxRecordCount() const { return bestFitMaxRecordCount_; }
  void SetBestFitMaxRecordCount(Integer v);
  bool FocusCellOnCycle() const { return focusCellOnCycle_; }
  void SetFocusCellOnCycle(bool v);
  bool PullFocusing() const { return pullFocusing_; }
  void SetPullFocusing(bool v);
  bool AlwaysShowEditor() const { return alwaysShowEditor_; }
  void SetAlwaysShowEditor(bool v) { SetFlag(alwaysShowEditor_, v); }
  bool CellHints() const { return cellHints_; }
  void SetCellHints(bool v) { SetFlag(cellHints_, v); }
  bool FocusCellOnTab() const { return focusCellOnTab_; }
  void SetFocusCellOnTab(bool v);
  bool FocusFirstCellOnNewRecord() const { return focusFirstCellOnNewRecord_; }
  void SetFocusFirstCellOnNewRecord(bool v) { SetFlag(focusFirstCellOnNewRecord_, v); }
  bool GoToNextCellOnEnter() const { return goToNextCellOnEnter_; }
  void SetGoToNextCellOnEnter(bool v) { SetFlag(goToNextCellOnEnter_, v); }
  bool NavigatorHints() const { return navigatorHints_; }
  void SetNavigatorHints(bool v) { SetFlag(navigatorHints_, v); }
  bool ImmediateEditor() const { return immediateEditor_; }
  void SetImmediateEditor(bool v) { SetFlag(immediateEditor_, v); }
  bool IncSearch() const { return incSearch_; }
  void SetIncSearch(bool v);
  TcxCustomGridTableItem* IncSearchItem() const { return incSearchItem_; }
  void SetIncSearchItem(TcxCustomGridTableItem* v);
  bool DragScrolling() const { return dragScrolling_; }
  void SetDragScrolling(bool v) { SetFlag(dragScrolling_, v); }
  bool DragDropText() const { return dragDropText_; }
  void SetDragDropText(bool v) { SetFlag(dragDropText_, v); }
  TcxGridDragFocusing DragFocusing() const { return dragFocusing_; }
  void SetDragFocusing(TcxGridDragFocusing v) {
    if (v == dragFocusing_) return;
    dragFocusing_ = v;
    Changed(0);
  }
  bool DragHighlighting() const { return dragHighlighting_; }
  void SetDragHighlighting(bool v) { SetFlag(dragHighlighting_, v); }
  bool DragOpening() const { return dragOpening_; }
  void SetDragOpening(bool v) { SetFlag(dragOpening_, v); }
  void AssignFrom(TPersistent* source) override;

 protected:
  // Stores a changed flag and reports a change of the kind.
  void SetFlag(bool& field, bool value, Integer kind = 0);

 private:
  bool copyCaptionsToClipboard_ = true;
  Integer bestFitMaxRecordCount_ = 0;
  bool focusCellOnCycle_ = false, pullFocusing_ = false;
  bool alwaysShowEditor_ = false, cellHints_ = false, focusCellOnTab_ = false, focusFirstCellOnNewRecord_ = false;
  bool navigatorHints_ = false;
  bool goToNextCellOnEnter_ = false, immediateEditor_ = true, incSearch_ = false, dragScrolling_ = true;
  bool dragDropText_ = false, dragHighlighting_ = true, dragOpening_ = true;
  TcxGridDragFocusing dragFocusing_ = dfNone;
  TcxCustomGridTableItem* incSearchItem_ = nullptr;
};

// What the user may do with the items (a table view publishes these as Column...).
class TcxCustomGridTableOptionsCustomize : public TcxCustomGridOptions {
  KORVAN_CLASS(TcxCustomGridTableOptionsCustomize, TcxCustomGridOptions)

 public:
  explicit TcxCustomGridTableOptionsCustomize(TcxCustomGridView* v) : TcxCustomGridOptions(v) {}
  bool ItemFiltering() const { return itemFiltering_; }
  void SetItemFiltering(bool v);
  bool ItemGrouping() const { return itemGrouping_; }
  void SetItemGrouping(bool v);
  bool ItemHiding() const { return itemHiding_; }
  void SetItemHiding(bool v);
  bool ItemMoving() const { return itemMoving_; }
  void SetItemMoving(bool v);
  bool ItemSorting() const { return itemSorting_; }
  void SetItemSorting(bool v);
  bool ItemsQuickCustomization() const { return itemsQuickCustomization_; }
  void SetItemsQuickCustomization(bool v);
  Integer ItemsQuickCustomizationMaxDropDownCount() const { return quickMaxDropDownCount_; }
  void SetItemsQuickCustomizationMaxDropDownCount(Integer v);
  void AssignFrom(TPersistent* source) override;

 protected:
  void SetFlag(bool& field, bool value, Integer kind);

 private:
  bool itemFiltering_ = true, itemGrouping_ = true, itemHiding_ = false, itemMoving_ = true, itemSorting_ = true;
  bool itemsQuickCustomization_ = false;
  Integer quickMaxDropDownCount_ = 0;
};

class TcxCustomGridTableOptionsData : public TcxCustomGridOptionsData {
  KORVAN_CLASS(TcxCustomGridTableOptionsData, TcxCustomGridOptionsData)

 public:
  explicit TcxCustomGridTableOptionsData(TcxCustomGridView* v) : TcxCustomGridOptionsData(v) {}
  bool Appending() const { return appending_; }
  void SetAppending(bool v);
  bool CancelOnExit() const { return cancelOnExit_; }
  void SetCancelOnExit(bool v);
  bool Deleting() const { return deleting_; }
  void SetDeleting(bool v);
  bool DeletingConfirmation() const { return deletingConfirmation_; }
  void SetDeletingConfirmation(bool v);
  bool Editing() const { return editing_; }
  void SetEditing(bool v);
  bool Inserting() const { return inserting_; }
  void SetInserting(bool v);
  void AssignFrom(TPersistent* source) override;

 private:
  void SetFlag(bool& field, bool value);
  bool appending_ = false, cancelOnExit_ = true, deleting_ = true, deletingConfirmation_ = true, editing_ = true;
  bool inserting_ = true;
};

class TcxCustomGridTableOptionsSelection : public TcxCustomGridOptionsSelection {
  KORVAN_CLASS(TcxCustomGridTableOptionsSelection, TcxCustomGridOptionsSelection)

 public:
  explicit TcxCustomGridTableOptionsSelection(TcxCustomGridView* v) : TcxCustomGridOptionsSelection(v) {}
  bool CellSelect() const { return cellSelect_; }
  virtual void SetCellSelect(bool v);
  bool HideFocusRectOnExit() const { return hideFocusRectOnExit_; }
  void SetHideFocusRectOnExit(bool v);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v);
  bool InvertSelect() const { return invertSelect_; }
  virtual void SetInvertSelect(bool v);
  // Kept by the data controller (its multi-select flag).
  bool MultiSelect() const;
  virtual void SetMultiSelect(bool v);
  bool UnselectFocusedRecordOnExit() const { return unselectFocusedRecordOnExit_; }
  void SetUnselectFocusedRecordOnExit(bool v);
  virtual bool IsInvertSelectStored() const { return !invertSelect_; }
  virtual bool IsMultiSelectStored() const { return MultiSelect(); }
  void AssignFrom(TPersistent* source) override;

 private:
  bool cellSelect_ = true, hideFocusRectOnExit_ = true, hideSelection_ = false, invertSelect_ = true;
  bool unselectFocusedRecordOnExit_ = true;
};

class TcxCustomGridTableOptionsView : public TcxCustomGridOptionsView {
  KORVAN_CLASS(TcxCustomGridTableOptionsView, TcxCustomGridOptionsView)

 public:
  explicit TcxCustomGridTableOptionsView(TcxCustomGridView* v) : TcxCustomGridOptionsView(v) {}
  bool CellAutoHeight() const { return cellAutoHeight_; }
  void SetCellAutoHeight(bool v);
  bool CellEndEllipsis() const { return cellEndEllipsis_; }
  void SetCellEndEllipsis(bool v);
  Integer CellTextMaxLineCount() const { return cellTextMaxLineCount_; }
  void SetCellTextMaxLineCount(Integer v);
  bool FocusRect() const { return focusRect_; }
  void SetFocusRect(bool v);
  bool ItemCaptionAutoHeight() const { return itemCaptionAutoHeight_; }
  void SetItemCaptionAutoHeight(bool v);
  bool ItemCaptionEndEllipsis() const { return itemCaptionEndEllipsis_; }
  void SetItemCaptionEndEllipsis(bool v);
  bool Navigator() const { return navigator_; }
  void SetNavigator(bool v);
  Integer NavigatorOffset() const { return navigatorOffset_; }
  void SetNavigatorOffset(Integer v);
  TcxGridShowEditButtons ShowEditButtons() const { return showEditButtons_; }
  void SetShowEditButtons(TcxGridShowEditButtons v);
  void AssignFrom(TPersistent* source) override;

 protected:
  // The change kind of ItemCaptionAutoHeight (size here; the table view lays out anew).
  virtual Integer ItemCaptionAutoHeightChangeKind() { return 2; }
  void SetFlag(bool& field, bool value, Integer kind);

 private:
  bool cellAutoHeight_ = false, cellEndEllipsis_ = false, focusRect_ = true;
  bool itemCaptionAutoHeight_ = false, itemCaptionEndEllipsis_ = false, navigator_ = false;
  Integer cellTextMaxLineCount_ = 0, navigatorOffset_ = 50;
  TcxGridShowEditButtons showEditButtons_ = gsebNever;
};

class TcxCustomGridTableBackgroundBitmaps : public TcxCustomGridBackgroundBitmaps {
  KORVAN_CLASS(TcxCustomGridTableBackgroundBitmaps, TcxCustomGridBackgroundBitmaps)

 public:
  static constexpr Integer bbContent = 1, bbFilterBox = 2;
  explicit TcxCustomGridTableBackgroundBitmaps(TcxCustomGridView* v) : TcxCustomGridBackgroundBitmaps(v) {}
  Integer GetBitmapStyleIndex(Integer index) override;
  TBitmap* Content() const { return const_cast<TcxCustomGridTableBackgroundBitmaps*>(this)->OwnBitmap(bbContent); }
  void SetContent(TBitmap* v) { OwnBitmap(bbContent)->Assign(v); }
  TBitmap* FilterBox() const { return const_cast<TcxCustomGridTableBackgroundBitmaps*>(this)->OwnBitmap(bbFilterBox); }
  void SetFilterBox(TBitmap* v) { OwnBitmap(bbFilterBox)->Assign(v); }
  void AssignFrom(TPersistent* source) override;
};

// The record-based view's styles: content by row parity, filter box, inactive and selected
// cells, the incremental search text.
class TcxCustomGridTableViewStyles : public TcxCustomGridViewStyles {
  KORVAN_CLASS(TcxCustomGridTableViewStyles, TcxCustomGridViewStyles)

 public:
  static constexpr Integer vsContent = 1, vsContentEven = 2, vsContentOdd = 3, vsFilterBox = 4, vsInactive = 5,
                           vsIncSearch = 6, vsSelection = 7;
  explicit TcxCustomGridTableViewStyles(TPersistent* owner) : TcxCustomGridViewStyles(owner) {}
#define KORVAN_TABLE_STYLE(Name, Index)                   \
  TcxStyle* Name() const { return const_cast<TcxCustomGridTableViewStyles*>(this)->GetIndexedStyle(Index); } \
  void Set##Name(TcxStyle* v) { SetIndexedStyle(Index, v); }
  KORVAN_TABLE_STYLE(Content, vsContent)
  KORVAN_TABLE_STYLE(ContentEven, vsContentEven)
  KORVAN_TABLE_STYLE(ContentOdd, vsContentOdd)
  KORVAN_TABLE_STYLE(FilterBox, vsFilterBox)
  KORVAN_TABLE_STYLE(Inactive, vsInactive)
  KORVAN_TABLE_STYLE(IncSearch, vsIncSearch)
  KORVAN_TABLE_STYLE(Selection, vsSelection)
#undef KORVAN_TABLE_STYLE
  TcxGridGetCellStyleEvent OnGetContentStyle;

  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
  // The view's event (with a record), then ContentEven/ContentOdd by row parity when
  // assigned, else Content.
  virtual void GetContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item, TcxStyleParams& params);
  // Without an item the record's content; with one the item's styles.
  void GetCellContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item, TcxStyleParams& params);
  virtual void GetRecordContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                      TcxStyleParams& params) {
    GetContentParams(record, item, params);
  }
  void AssignFrom(TPersistent* source) override;

 protected:
  TcxCustomLookAndFeelPainterClass LookAndFeelPainter() const;
};

// The data passed to a style resolution of a cell: its record and item.
class TcxGridCellPos : public TObject {
 public:
  TcxGridCellPos(TcxCustomGridRecord* record, TcxCustomGridTableItem* item) : Record(record), Item(item) {}
  TcxCustomGridRecord* Record;
  TcxCustomGridTableItem* Item;
};

// Events of table views.
using TcxGridCustomTableViewEvent = std::function<void(TcxCustomGridTableView* sender)>;
using TcxGridCustomTableItemEvent = std::function<void(TcxCustomGridTableView* sender, TcxCustomGridTableItem* item)>;
using TcxGridAllowRecordOperationEvent =
    std::function<void(TcxCustomGridTableView* sender, TcxCustomGridRecord* record, bool& allow)>;
using TcxGridGetCellHeightEvent =
    std::function<void(TcxCustomGridTableView* sender, TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                       TcxCustomGridCellViewInfo* cellViewInfo, Integer& height)>;
using TcxGridCellClickEvent = std::function<void(TcxCustomGridTableView* sender, TcxCustomGridCellViewInfo* cellViewInfo,
                                                 TMouseButton button, TShiftState shift, bool& handled)>;
using TcxGridTableCustomDrawCellEvent =
    std::function<void(TcxCustomGridTableView* sender, TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, bool& done)>;
using TcxGridPartCustomDrawBackgroundEvent = TcxGridTableCustomDrawCellEvent;
using TcxGridFocusedItemChangedEvent = std::function<void(
    TcxCustomGridTableView* sender, TcxCustomGridTableItem* prevFocusedItem, TcxCustomGridTableItem* focusedItem)>;
using TcxGridFocusedRecordChangedEvent =
    std::function<void(TcxCustomGridTableView* sender, TcxCustomGridRecord* prevFocusedRecord,
                       TcxCustomGridRecord* focusedRecord, bool newItemRecordFocusingChanged)>;
using TcxGridEditingEvent =
    std::function<void(TcxCustomGridTableView* sender, TcxCustomGridTableItem* item, bool& allow)>;
using TcxGridInitEditEvent =
    std::function<void(TcxCustomGridTableView* sender, TcxCustomGridTableItem* item, TcxCustomEdit* edit)>;
using TcxGridEditKeyEvent = std::function<void(TcxCustomGridTableView* sender, TcxCustomGridTableItem* item,
                                               TcxCustomEdit* edit, Word& key, TShiftState shift)>;
using TcxGridEditKeyPressEvent = std::function<void(TcxCustomGridTableView* sender, TcxCustomGridTableItem* item,
                                                    TcxCustomEdit* edit, char32_t& key)>;
using TcxGridFilterDialogShowEvent =
    std::function<void(TcxCustomGridTableView* sender, TcxCustomGridTableItem* item, bool& done)>;
using TcxGridFilterCustomizationEvent = std::function<void(TcxCustomGridTableView* sender, bool& done)>;
using TcxGridGetDragDropTextEvent = std::function<void(TcxCustomGridTableView* sender, TcxCustomGridRecord* record,
                                                       TcxCustomGridTableItem* item, String& text)>;

class TcxCustomGridTableView : public TcxCustomGridView, public IcxNavigator {
  KORVAN_CLASS(TcxCustomGridTableView, TcxCustomGridView)

 public:
  explicit TcxCustomGridTableView(TComponent* owner) : TcxCustomGridView(owner) {}
  ~TcxCustomGridTableView() override;

  Integer ItemCount() const { return Integer(items_.size()); }
  TcxCustomGridTableItem* Items(Integer i) const { return items_.at(size_t(i)); }
  Integer NextID() const { return nextID_; }
  // An item of GetItemClass owned by the view's owner, added to the view.
  TcxCustomGridTableItem* CreateItem();
  void ClearItems();
  TcxCustomGridTableItem* FindItemByID(Integer id) const;
  TcxCustomGridTableItem* FindItemByName(const String& name) const;
  // By ID (the decimal text) when the view has a storing name, else by component name; a
  // non-numeric name raises the platform's conversion error.
  TcxCustomGridTableItem* FindItemByStoredName(const String& name);
  TcxCustomGridTableOptionsBehavior* TableOptionsBehavior() const {
    return static_cast<TcxCustomGridTableOptionsBehavior*>(OptionsBehavior());
  }
  TcxCustomGridTableOptionsData* TableOptionsData() const {
    return static_cast<TcxCustomGridTableOptionsData*>(OptionsData());
  }
  TcxCustomGridTableOptionsSelection* TableOptionsSelection() const {
    return static_cast<TcxCustomGridTableOptionsSelection*>(OptionsSelection());
  }
  TcxCustomGridTableOptionsView* TableOptionsView() const {
    return static_cast<TcxCustomGridTableOptionsView*>(OptionsView());
  }
  TcxCustomGridTableViewStyles* TableStyles() const { return static_cast<TcxCustomGridTableViewStyles*>(Styles()); }
  TcxCustomGridTableOptionsCustomize* OptionsCustomize() const { return optionsCustomize_; }
  // The filter box bar's options, made on first use.
  TcxGridFilterBox* FilterBox() const;
  void SetFilterBox(TcxGridFilterBox* v);
  // Whether the filter box offers a list of recent filters (its drop-down button shows):
  // the filtering options' available recent filters.
  virtual bool HasFilterMRUItems();
  // What the filter box's drop-down and customize buttons open: the controller's drop-down
  // of recent filters under the drop-down button, and the filter builder.
  virtual void ShowFilterMRUItemsPopup();
  virtual void ShowFilterCustomizeDialog();
  // The navigator's buttons, made with the view info's navigator owner (none until the
  // layout that shows a navigator offers one); the view confirms deleting by itself.
  TcxNavigatorControlButtons* NavigatorButtons() const { return navigatorButtons_; }
  void SetNavigatorButtons(TcxNavigatorControlButtons* v) { navigatorButtons_->AssignFrom(v); }
  TcxNavigatorControlNotifier* NavigatorNotifier() const { return navigatorNotifier_; }
  virtual IcxNavigatorOwner* GetNavigatorOwner();
  // Navigators attached to the view (and the grid's, for its focused view) refresh.
  virtual void UpdateNavigatorState();
  // The data controller's filter changed: the recent filters shown follow.
  virtual void FilterChanged();

  // The stored layout: with StoresFilter (set by a layout-storage back end; off by default)
  // also "FilterActive", "Filter" and the recent filters "FilterMRUItem"n from the highest n
  // down, the filters as "Hex:" text of their streams.
  bool StoresFilter = false;
  void GetStoredProperties(TStrings* properties) override;
  void GetStoredPropertyValue(const String& name, Variant& value) override;
  void SetStoredPropertyValue(const String& name, const Variant& value) override;

  // IcxNavigator: the controller's and the data controller's answers; DoAction by button index.
  bool CanDelete() override;
  bool CanEdit() override;
  bool CanInsert() override;
  bool IsActive() override;
  bool IsBof() override;
  bool IsBookmarkAvailable() override;
  bool IsEditing() override;
  bool IsEof() override;
  void ClearBookmark() override;
  void DoAction(Integer buttonIndex) override;
  TcxNavigatorControlNotifier* GetNotifier() override { return navigatorNotifier_; }
  bool IsActionSupported() override { return true; }
  // The visible items in index order.
  Integer VisibleItemCount() const { return Integer(visibleItems_.size()); }
  TcxCustomGridTableItem* VisibleItems(Integer i) const { return visibleItems_.at(size_t(i)); }
  void RefreshVisibleItemsList();
  // While items are made in a row (CreateAllItems), RefreshVisibleItemsList only notes that
  // the list is out of date; the outermost end rebuilds it once, so that making n items does
  // not sort the list n times. Nothing inside the bracket may rely on the visible list.
  void BeginVisibleItemsUpdate() { ++visibleItemsLock_; }
  void EndVisibleItemsUpdate();
  // Moves an item (the index clamped to the list).
  virtual void ChangeItemIndex(TcxCustomGridTableItem* item, Integer newIndex);

  // Layout loading: GroupIndex, SortIndex and Index writes wait for the end, which applies
  // them in ascending position. A form description is read inside the same bracket.
  virtual void BeginLoadingLayout();
  virtual void EndLoadingLayout();
  bool IsLoadingLayout() const { return loadingLayout_ > 0; }
  bool IsApplyingLayout() const { return applyingLayout_; }
  void AddPendingGroup(TcxCustomGridTableItem* item, Integer position) { AddPending(pendingGroups_, item, position); }
  void AddPendingSort(TcxCustomGridTableItem* item, Integer position) { AddPending(pendingSorts_, item, position); }
  void AddPendingIndex(TcxCustomGridTableItem* item, Integer position) { AddPending(pendingIndexes_, item, position); }
  void Loading() override;
  void Loaded() override;
  // The items of the same IDs, in the source's order, then the options of the base view.
  void DoAssign(TcxCustomGridView* source) override;
  virtual TClass GetOptionsCustomizeClass() { return TcxCustomGridTableOptionsCustomize::StaticClass(); }
  TClass GetBackgroundBitmapsClass() override { return TcxCustomGridTableBackgroundBitmaps::StaticClass(); }
  TClass GetOptionsDataClass() override { return TcxCustomGridTableOptionsData::StaticClass(); }
  TClass GetOptionsSelectionClass() override { return TcxCustomGridTableOptionsSelection::StaticClass(); }
  TClass GetOptionsViewClass() override { return TcxCustomGridTableOptionsView::StaticClass(); }
  TClass GetStylesClass() override { return TcxCustomGridTableViewStyles::StaticClass(); }
  // The per-record cache of heights (TcxCustomGridTableViewInfoCache), the table controller
  // (TcxCustomGridTableController) and the painter (TcxCustomGridTablePainter).
  TClass GetViewInfoCacheClass() override;
  TClass GetControllerClass() override;
  TClass GetPainterClass() override;

  // The copied items' texts, a tab between cells and one CRLF between rows (the captions
  // first when the option says so); all rows or only the selected ones.
  String GetTextForCopy(bool copyAll);
  void CopyToClipboard(bool copyAll);

  IcxGridDataControllerServices* DataControllerServices() const;
  IcxGridDataControllerViewLink* DataControllerViewLink() const;

  virtual TClass GetItemClass() = 0;
  // The classes of the data controller's summary items (null: the data controller's own).
  // The index of the first visible child level of the view's level, -1 without one.
  virtual Integer GetDefaultActiveRelationIndex();
  virtual TClass GetSummaryItemClass() { return nullptr; }
  virtual TClass GetSummaryGroupItemLinkClass() { return nullptr; }
  TClass GetOptionsBehaviorClass() override { return TcxCustomGridTableOptionsBehavior::StaticClass(); }
  // The visible items (the table view refines the list).
  virtual void GetItemsForCopy(std::vector<TcxCustomGridTableItem*>& list, bool copyAll);
  virtual TClass GetItemDataBindingClass();
  virtual void AddItem(TcxCustomGridTableItem* item);
  virtual void RemoveItem(TcxCustomGridTableItem* item);
  virtual void ItemVisibilityChanged(TcxCustomGridTableItem* item, bool value);
  // Text of a value through the item's editor properties; false leaves it to the data
  // controller. (The properties' own text conversion joins with the items' properties.)
  virtual bool GetDisplayTextByProperties(Integer recordIndex, Integer itemIndex, String& text) { return false; }
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  // The data controller's notifications by kind: data (items rebind, records reset) and
  // layout (records refreshed). Focus, selection, search and record updates come with the
  // table controller.
  void UpdateControl(TcxUpdateControlInfo* info) override;
  virtual void DataChanged();
  virtual void LayoutChanged();
  virtual void RecordCountChanged();
  // A record's values changed (the data controller's record update).
  virtual void RecordChanged(Integer recordIndex);
  TcxCustomGridTableViewData* TableViewData() const;
  // The master record of the detail exists and its view info shows that detail.
  bool IsDetailVisible(TcxCustomGridView* detail) override;

  // Selection drawing: whether a record's selection is shown, and whether a cell of it is
  // drawn (painted) selected.
  virtual bool IsRecordSelectionShown(TcxCustomGridRecord* record);
  virtual bool IsCellDrawnSelected(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                   TcxCustomGridCellViewInfo* cell);
  virtual bool IsCellPaintedSelected(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                     TcxCustomGridCellViewInfo* cell);
  // The grid or a window in it has the focus.
  virtual bool IsSelectionActive(TcxCustomGridRecord* record) { return IsControlFocused(); }

  // Events of the records, cells and the in-place editor.
  TcxGridAllowRecordOperationEvent OnCanFocusRecord;
  TcxGridGetCellHeightEvent OnGetCellHeight;
  TcxGridCellClickEvent OnCellClick;
  TcxGridCellClickEvent OnCellDblClick;
  TcxGridTableCustomDrawCellEvent OnCustomDrawCell;
  TcxGridPartCustomDrawBackgroundEvent OnCustomDrawPartBackground;
  TNotifyEvent OnTopRecordIndexChanged;
  // The selected records (or, in the table view, the selected columns) changed.
  TcxGridCustomTableViewEvent OnSelectionChanged;
  virtual void DoSelectionChanged() {
    if (OnSelectionChanged) OnSelectionChanged(this);
  }
  TcxGridFocusedItemChangedEvent OnFocusedItemChanged;
  TcxGridFocusedRecordChangedEvent OnFocusedRecordChanged;
  TcxGridEditingEvent OnEditing;
  TcxGridInitEditEvent OnInitEdit;
  TcxGridEditKeyEvent OnEditKeyDown;
  TcxGridEditKeyPressEvent OnEditKeyPress;
  TcxGridCustomTableItemEvent OnEditChanged;
  TcxGridCustomTableItemEvent OnEditValueChanged;
  // The text a drag of the focused cell carries: the record's display text of the item, then
  // OnGetDragDropText.
  virtual void DoGetDragDropText(TcxCustomGridRecord* record, TcxCustomGridTableItem* item, String& text);
  TcxGridGetDragDropTextEvent OnGetDragDropText;

  // Filtering options and recent filters (made on first use from GetFilteringClass).
  TcxCustomGridTableFiltering* Filtering() const;
  void SetFiltering(TcxCustomGridTableFiltering* v);
  virtual TClass GetFilteringClass();
  // The filter dialogs' events: a handler that sets `done` shows its own dialog.
  virtual bool DoFilterDialogShow(TcxCustomGridTableItem* item);
  virtual bool DoFilterCustomization();
  TcxGridFilterDialogShowEvent OnFilterDialogShow;
  TcxGridFilterCustomizationEvent OnFilterCustomization;
  std::function<void(TObject* dialog)> OnFilterControlDialogShow;

 protected:
  void CreateHandlers() override;
  void DestroyHandlers() override;
  void CreateOptions() override;
  void DestroyOptions() override;
  // Orders the visible items before they are numbered (they still carry their previous
  // visible indexes); the base keeps the item order.
  virtual void SortVisibleItems(std::vector<TcxCustomGridTableItem*>& list) {}

 private:
  using TPendingList = std::vector<TcxCustomGridTableItem*>;
  static void AddPending(TPendingList& list, TcxCustomGridTableItem* item, Integer position);
  mutable TcxCustomGridTableFiltering* filtering_ = nullptr;
  void ApplyPending(TPendingList& list, void (TcxCustomGridTableItem::*set)(Integer));
  void RenumberItems();
  std::vector<TcxCustomGridTableItem*> items_;
  std::vector<TcxCustomGridTableItem*> visibleItems_;
  Integer visibleItemsLock_ = 0;
  bool visibleItemsOutdated_ = false;
  Integer nextID_ = 0;
  TcxCustomGridTableOptionsCustomize* optionsCustomize_ = nullptr;
  mutable TcxGridFilterBox* filterBox_ = nullptr;
  TcxNavigatorControlButtons* navigatorButtons_ = nullptr;
  TcxNavigatorControlNotifier* navigatorNotifier_ = nullptr;
  Integer loadingLayout_ = 0;
  bool applyingLayout_ = false;
  TPendingList pendingGroups_, pendingSorts_, pendingIndexes_;
};

// ---- records ------------------------------------------------------------------------------

class TcxCustomGridRecord;
class TcxCustomGridRecordViewInfo;
class TcxCustomGridRecordsViewInfo;
// A record view info "class": how to make the layout object that shows a record.
using TcxGridRecordViewInfoClass = TcxCustomGridRecordViewInfo* (*)(TcxCustomGridRecordsViewInfo*,
                                                                    TcxCustomGridRecord*);
template <class T>
TcxGridRecordViewInfoClass GridRecordViewInfoClassOf() {
  return [](TcxCustomGridRecordsViewInfo* owner, TcxCustomGridRecord* record) -> TcxCustomGridRecordViewInfo* {
    return new T(owner, record);
  };
}
class TcxCustomGridTableViewData;
// A record "class": how to make the wrapper of a row.
using TcxGridRecordClass = TcxCustomGridRecord* (*)(TcxCustomGridTableViewData*, const TcxRowInfo&, Integer);
template <class T>
TcxGridRecordClass GridRecordClassOf() {
  return [](TcxCustomGridTableViewData* viewData, const TcxRowInfo& info, Integer index) -> TcxCustomGridRecord* {
    return new T(viewData, info, index);
  };
}

// The light wrapper of one row of the data controller, made when the row is first asked for.
class TcxCustomGridRecord : public TObject {
 public:
  TcxCustomGridRecord(TcxCustomGridTableViewData* viewData, const TcxRowInfo& rowInfo, Integer index)
      : viewData_(viewData), index_(index), rowInfo_(rowInfo) {}
  ~TcxCustomGridRecord() override;

  TcxCustomGridTableViewData* ViewData() const { return viewData_; }
  Integer Index() const { return index_; }
  const TcxRowInfo& RowInfo() const { return rowInfo_; }
  Integer Level() const { return rowInfo_.Level; }
  Integer RecordIndex() const { return rowInfo_.RecordIndex; }
  TcxCustomDataController* DataController() const;
  TcxCustomGridTableView* GridView() const;
  bool IsNewItemRecord() const;
  bool HasDataRecord() const;
  // Set when a key stroke expanded or collapsed the record, so its character is not handled.
  bool KeyConsumed = false;
  // The record view info that shows the record (the first one that claimed it), or null.
  TcxCustomGridRecordViewInfo* ViewInfo = nullptr;
  // The view's OnCanFocusRecord answer (true without a handler).
  bool CanFocus();
  bool Focused();
  // Focuses the record through its view's controller (false: unfocuses it).
  void SetFocused(bool value);
  bool Selected();
  // How the record is shown: its record view info's "class" (null: it is not shown).
  virtual TcxGridRecordViewInfoClass GetViewInfoClass() { return nullptr; }
  // The record handles a key before the controller (rows expand, Enter edits).
  virtual void KeyDown(Word& key, TShiftState shift);
  virtual void KeyPress(char32_t& key);

  virtual void RefreshRecordInfo();
  virtual void CollapseRecord(bool recursive) {}
  virtual void ExpandRecord(bool recursive) {}
  virtual bool GetExpandable() { return false; }
  virtual bool GetExpanded() { return false; }
  // The record to focus on entering the record's expanded details (first going forward, last
  // going backward); null without details.
  virtual TcxCustomGridRecord* GetFirstChildToFocus() { return nullptr; }
  virtual TcxCustomGridRecord* GetLastChildToFocus(bool recursive) { return nullptr; }
  virtual bool HasCells() { return false; }
  virtual bool IsDataRecord() { return true; }
  virtual bool GetIsFirst() { return index_ == 0; }
  virtual bool GetIsLast();
  virtual bool IsParent() { return false; }
  virtual TcxCustomGridRecord* GetParentRecord();
  virtual String GetDisplayText(Integer itemIndex);
  virtual Integer GetValueCount();
  virtual Variant GetValue(Integer itemIndex);
  virtual void SetDisplayText(Integer itemIndex, const String& text);
  virtual void SetValue(Integer itemIndex, const Variant& value);

  void SetExpanded(bool value);
  void CollapseIfExpandable(bool recursive) {
    if (GetExpandable()) CollapseRecord(recursive);
  }
  void ExpandIfExpandable(bool recursive) {
    if (GetExpandable()) ExpandRecord(recursive);
  }
  bool IsLastOfAncestor(Integer depth);
  Integer GetLastOfAncestorsCount();

 private:
  friend class TcxCustomGridTableViewData;
  TcxCustomGridTableViewData* viewData_;
  Integer index_;
  TcxRowInfo rowInfo_;
};

// Hit tests on records: the record (106), a data cell of it (107, with its item) and its
// expand button (108, which does not act on the record).
class TcxGridRecordHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridRecordHitTest, TcxCustomGridViewHitTest)

 public:
  Integer GetHitTestCode() override { return 106; }
  // Whether a press here acts on (focuses, selects) the record.
  virtual bool ActsOnRecord() { return true; }
  // The answer the records' click handling reads (descendants refine it).
  virtual bool CanClick() { return ActsOnRecord(); }
  TcxCustomGridRecord* GridRecord = nullptr;
};

class TcxGridRecordCellHitTest : public TcxGridRecordHitTest {
  KORVAN_CLASS(TcxGridRecordCellHitTest, TcxGridRecordHitTest)

 public:
  Integer GetHitTestCode() override { return 107; }
  TcxCustomGridTableItem* Item = nullptr;
};

class TcxGridExpandButtonHitTest : public TcxGridRecordHitTest {
  KORVAN_CLASS(TcxGridExpandButtonHitTest, TcxGridRecordHitTest)

 public:
  Integer GetHitTestCode() override { return 108; }
  bool ActsOnRecord() override { return false; }
};

// The view data of a record-based view: one slot per row, filled on first use.
class TcxCustomGridTableViewData : public TcxCustomGridViewData {
  KORVAN_CLASS(TcxCustomGridTableViewData, TcxCustomGridViewData)

 public:
  explicit TcxCustomGridTableViewData(TcxCustomGridView* view) : TcxCustomGridViewData(view) {}
  ~TcxCustomGridTableViewData() override;

  TcxCustomGridTableView* TableView() const;
  TcxCustomDataController* DataController() const;
  Integer CountRecords() const { return Integer(slots_.size()); }
  bool IsRowIndexInRange(Integer rowIndex) const { return rowIndex >= 0 && rowIndex < CountRecords(); }
  // The wrapper of a row; the row index must be in range.
  TcxCustomGridRecord* FetchRecord(Integer rowIndex);
  TcxCustomGridRecord* RecordAtRowIndex(Integer rowIndex) {
    return IsRowIndexInRange(rowIndex) ? FetchRecord(rowIndex) : nullptr;
  }
  TcxCustomGridRecord* RecordByRecordIndex(Integer recordIndex);
  TcxCustomGridRecord* NewItemRecord() const { return newItemRecord_; }
  TcxCustomGridRecord* EditingRecord() const { return editingRecord_; }
  TcxCustomGridRecord* GetEditingRecord();
  void RefreshEditingRecord() { editingRecord_ = GetEditingRecord(); }
  // How many wrappers exist (rows asked for since the last reset).
  Integer WrapperCount() const { return Integer(made_.size()); }

  virtual TcxCustomGridRecord* FindRecordOfKind(Integer kind, Integer index);
  virtual TcxGridRecordClass GetRecordClass(const TcxRowInfo& rowInfo) = 0;
  virtual Integer KindOfRecord(TcxCustomGridRecord* record) { return record == newItemRecord_ ? 1 : 0; }
  virtual TcxGridRecordClass GetNewItemRecordClass() { return nullptr; }
  virtual void CollapseAll(bool recursive);
  virtual void ExpandAll(bool recursive);
  // The row count changed: every wrapper goes and the slots are sized anew.
  virtual void ResetRecords(Integer newCount);
  virtual bool HasNewItemRecord() { return false; }
  void RefreshRecordInfos();
  void CheckNewItemRecord();

 private:
  void FreeWrappers();
  std::vector<TcxCustomGridRecord*> slots_;
  // The wrappers that exist, in the order they were made: searched instead of every slot.
  std::vector<TcxCustomGridRecord*> made_;
  TcxCustomGridRecord* newItemRecord_ = nullptr;
  TcxCustomGridRecord* editingRecord_ = nullptr;
};

// ---- what both grid data controllers add to their base -------------------------------------

// The in-place editor's value goes into the data controller (when it asks for editing data).
void GridViewUpdateEditingData(TcxCustomGridTableView* view);

// The detail view (a clone of the child level's pattern) of a master record for a relation
// whose item is the child level; null when the level gives none.
TObject* GridCreateDetailLinkObject(TcxCustomDataRelation* relation, int recordIndex);
// The data controller of a detail view made by GridCreateDetailLinkObject.
TcxCustomDataController* GridDetailDataControllerOfLink(TObject* linkObject);

// Items, IDs, texts and brackets answered through the owning view.
template <class TBase>
class TcxGridDataControllerOverrides : public TBase {
 public:
  using TBase::TBase;
  TcxCustomGridTableView* GridView() const { return dynamic_cast<TcxCustomGridTableView*>(this->Owner()); }
  int GetItemID(TObject* item) override {
    auto* i = dynamic_cast<TcxCustomGridTableItem*>(item);
    return i ? i->ID() : -1;
  }
  void ItemValueTypeClassChanged(int itemIndex) override {
    TBase::ItemValueTypeClassChanged(itemIndex);
    if (TcxCustomGridTableView* v = GridView(); v && itemIndex < v->ItemCount())
      v->Items(itemIndex)->ValueTypeClassChanged();
  }
  // The view's bracket encloses the controller's.
  void BeginUpdate() override {
    if (GridView()) GridView()->BeginUpdate();
    TBase::BeginUpdate();
  }
  void EndUpdate() override {
    TBase::EndUpdate();
    if (GridView()) GridView()->EndUpdate();
  }
  TClass GetSummaryItemClass() const override {
    TClass c = GridView() ? GridView()->GetSummaryItemClass() : nullptr;
    return c ? c : TBase::GetSummaryItemClass();
  }
  TClass GetSummaryGroupItemLinkClass() const override {
    TClass c = GridView() ? GridView()->GetSummaryGroupItemLinkClass() : nullptr;
    return c ? c : TBase::GetSummaryGroupItemLinkClass();
  }
  void UpdateEditingData() override {
    TBase::UpdateEditingData();
    if (GridView()) GridViewUpdateEditingData(GridView());
  }
  void FilterChanged() override {
    TBase::FilterChanged();
    if (GridView()) GridView()->FilterChanged();
  }
  TObject* CreateDetailLinkObject(TcxCustomDataRelation* relation, int recordIndex) override {
    return GridCreateDetailLinkObject(relation, recordIndex);
  }
  TcxCustomDataController* GetDetailDataControllerByLinkObject(TObject* linkObject) override {
    return GridDetailDataControllerOfLink(linkObject);
  }
  TObject* GetItem(int index) override {
    TcxCustomGridTableView* v = GridView();
    return v && index >= 0 && index < v->ItemCount() ? v->Items(index) : TBase::GetItem(index);
  }
  // Whether the item sorts by its display text: the item's rule.
  bool GetItemSortByDisplayText(int itemIndex, bool defaultValue) override {
    TcxCustomGridTableView* v = GridView();
    return v && itemIndex >= 0 && itemIndex < v->ItemCount() ? v->Items(itemIndex)->SortByDisplayText(defaultValue)
                                                              : TBase::GetItemSortByDisplayText(itemIndex, defaultValue);
  }
  // The value source of the item's editor in place (a focused editor).
  int GetItemValueSource(int itemIndex) override {
    TcxCustomGridTableView* v = GridView();
    return v && itemIndex >= 0 && itemIndex < v->ItemCount() ? v->Items(itemIndex)->EditValueSource(nullptr)
                                                              : TBase::GetItemValueSource(itemIndex);
  }
  // A filter's text names its items by their captions (the filter box, recent filters).
  String GetFilterItemFieldCaption(TObject* item) override {
    auto* gridItem = dynamic_cast<TcxCustomGridTableItem*>(item);
    return gridItem ? gridItem->Caption() : TBase::GetFilterItemFieldCaption(item);
  }
  // The properties' text, else the controller's own; then OnGetDataText may change it.
  String GetDisplayText(int recordIndex, int itemIndex) override {
    TcxCustomGridTableView* v = GridView();
    String text;
    if (!v || !v->GetDisplayTextByProperties(recordIndex, itemIndex, text))
      text = TBase::GetDisplayText(recordIndex, itemIndex);
    if (v && itemIndex >= 0 && itemIndex < v->ItemCount()) v->Items(itemIndex)->DoGetDataText(recordIndex, text);
    return text;
  }
  // Published setters: assigning copies into the controller's own filter and summary.
  void SetFilterObject(TcxDataFilterCriteria* value) {
    if (value && value != this->Filter()) this->Filter()->Assign(value);
  }
  void SetSummaryObject(TcxDataSummary* value) {
    if (value && value != this->Summary()) this->Summary()->Assign(value);
  }
};

// The type of the data controller's Options set.
PTypeInfo GridDataControllerOptionsTypeInfo();

// The published properties both grid data controllers take from their bases: filter settings,
// options, summary (not stored) and the controller's events (the filter-record event has no handler member
// and is set in code only).
template <class T>
void PublishGridDataControllerProperties(TPublisher<T>& p) {
  using B = TcxCustomDataController;
  p.Object("Filter", &T::Filter, &T::SetFilterObject, TcxFilterCriteria::StaticClass());
  p.Set("Options", &T::GetOptions, &T::SetOptions, GridDataControllerOptionsTypeInfo())
      .Default(TcxDataControllerOptions{dcoAssignGroupingValues, dcoAssignMasterDetailKeys, dcoSaveExpanding}.ToMask());
  // The items' columns store the footer and group summaries; writing the summary here as well
  // would read every item twice.
  p.Object("Summary", &T::Summary, &T::SetSummaryObject, TcxDataSummary::StaticClass()).Stored(false);
  p.Event("OnCompare", static_cast<TcxDataControllerCompareEvent T::*>(&B::OnCompare), "TcxDataControllerCompareEvent");
  p.Event("OnDataChanged", static_cast<TcxSenderEvent T::*>(&B::OnDataChanged));
  p.Event("OnGroupingChanged", static_cast<TcxSenderEvent T::*>(&B::OnGroupingChanged));
  p.Event("OnSortingChanged", static_cast<TcxSenderEvent T::*>(&B::OnSortingChanged));
  for (auto [name, member] : {std::pair{"OnDetailCollapsing", &B::OnDetailCollapsing},
                              std::pair{"OnDetailExpanding", &B::OnDetailExpanding}})
    p.Event(name, static_cast<TcxDataDetailExpandingEvent T::*>(member), "TcxDataDetailExpandingEvent");
  for (auto [name, member] : {std::pair{"OnDetailCollapsed", &B::OnDetailCollapsed},
                              std::pair{"OnDetailExpanded", &B::OnDetailExpanded}})
    p.Event(name, static_cast<TcxDataRecordEvent T::*>(member), "TcxDataDetailExpandedEvent");
  for (auto [name, member] :
       {std::pair{"OnAfterCancel", &B::OnAfterCancel}, std::pair{"OnAfterDelete", &B::OnAfterDelete},
        std::pair{"OnAfterInsert", &B::OnAfterInsert}, std::pair{"OnAfterPost", &B::OnAfterPost},
        std::pair{"OnBeforeCancel", &B::OnBeforeCancel}, std::pair{"OnBeforeInsert", &B::OnBeforeInsert},
        std::pair{"OnBeforePost", &B::OnBeforePost}})
    p.Event(name, static_cast<TcxDataControllerNotifyEvent T::*>(member), "TcxDataControllerNotifyEvent");
  for (auto [name, member] :
       {std::pair{"OnBeforeDelete", &B::OnBeforeDelete}, std::pair{"OnNewRecord", &B::OnNewRecord}})
    p.Event(name, static_cast<TcxDataRecordEvent T::*>(member), "TcxDataDetailExpandedEvent");
  p.Event("OnRecordChanged", static_cast<TcxDataRecordChangedEvent T::*>(&B::OnRecordChanged),
          "TcxDataRecordChangedEvent");
}

// ---- the data controller with records of its own ---------------------------------------

class TcxGridDataController : public TcxGridDataControllerOverrides<TcxDataController>,
                              public IcxGridDataControllerServices,
                              public IcxGridDataControllerViewLink {
  // A class descriptor of its own, so that form descriptions reach its settings and records.
  KORVAN_CLASS(TcxGridDataController, TPersistent)

 public:
  explicit TcxGridDataController(TComponent* owner) : TcxGridDataControllerOverrides(owner) {}
  ~TcxGridDataController() override;

  // The loaded "Data" stream, held until loading ends.
  TMemoryStream* HeldData() const { return heldData_; }

  // Services.
  void UpdateGridModeBufferCount() override {}
  bool ScrollRecord(bool) override { return false; }
  bool ScrollPage(bool) override { return false; }
  TClass GetItemDataBindingClass() override { return TcxGridItemDataBinding::StaticClass(); }
  TClass GetItemDefaultValuesProviderClass() override { return GridDefaultValuesProviderClass(); }
  Integer GetScrollBarPosition() override { return -1; }
  Integer GetScrollBarRecordCount() override { return -1; }
  bool SetScrollBarPosition(Integer) override { return false; }
  // View link.
  void CopyDataFrom(TcxCustomDataController* source) override;
  void CreateAllItems() override {}
  void DeleteAllItems() override {}
  void ListFakeComponentLinks(std::vector<TComponent*>&) override {}
  TcxCustomGridView* GetGridView() override;
  bool HoldsOwnRecords() override { return true; }
  bool HasRecordSource() override { return true; }
  bool CanCreateAllItems() override { return false; }

  // Overrides of the data controller.
  void DoPendingNotifications() override;

 protected:
  void DefineProperties(TFiler* filer) override;

 private:
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);
  TMemoryStream* heldData_ = nullptr;
};
