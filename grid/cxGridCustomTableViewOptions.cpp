// The record-based view's option sets, styles and background bitmaps; the items' options,
// styles, editor properties, abilities, sorting and grouping; the deferred writes of a
// layout being loaded.
#include <algorithm>

#include "data/cxVariants.h"
#include "editors/cxEdit.h"
#include "editors/cxEditPaintUtils.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "grid/cxGrid.h"
#include "grid/cxGridCustomTableController.h"
#include "grid/cxGridCommon.h"
#include "grid/cxGridCustomTableView.h"
#include "grid/cxGridFilterPopup.h"
#include "grid/cxGridFilterBox.h"
#include "grid/cxGridLevel.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

namespace {

PTypeInfo ShowEditButtonsType() {
  return EnumTypeInfo("TcxGridItemShowEditButtons", {"isebDefault", "isebNever", "isebAlways"});
}
PTypeInfo GridShowEditButtonsType() {
  return EnumTypeInfo("TcxGridShowEditButtons", {"gsebNever", "gsebForFocusedRecord", "gsebAlways"});
}


}  // namespace

KORVAN_IMPLEMENT_CLASS(TcxCustomGridTableItemCustomOptions)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomGridTableItemOptions) {
  using O = TcxCustomGridTableItemOptions;
  p.Bool("Editing", &O::Editing, &O::SetEditing).Default(true);
  p.Bool("Filtering", &O::Filtering, &O::SetFiltering).Default(true);
  p.Bool("FilteringMRUItemsList", &O::FilteringMRUItemsList, &O::SetFilteringMRUItemsList).Default(true);
  p.Bool("Focusing", &O::Focusing, &O::SetFocusing).Default(true);
  p.Bool("IncSearch", &O::IncSearch, &O::SetIncSearch).Default(true);
  p.Enum("ShowEditButtons", &O::ShowEditButtons, &O::SetShowEditButtons, ShowEditButtonsType()).Default(isebDefault);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomGridTableItemStyles) {
  using S = TcxCustomGridTableItemStyles;
  p.Object("Content", &S::Content, &S::SetContent, TcxStyle::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomGridTableOptionsCustomize) {}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomGridTableOptionsData) {
  using O = TcxCustomGridTableOptionsData;
  p.Bool("Appending", &O::Appending, &O::SetAppending).Default(false);
  p.Bool("CancelOnExit", &O::CancelOnExit, &O::SetCancelOnExit).Default(true);
  p.Bool("Deleting", &O::Deleting, &O::SetDeleting).Default(true);
  p.Bool("DeletingConfirmation", &O::DeletingConfirmation, &O::SetDeletingConfirmation).Default(true);
  p.Bool("Editing", &O::Editing, &O::SetEditing).Default(true);
  p.Bool("Inserting", &O::Inserting, &O::SetInserting).Default(true);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomGridTableOptionsSelection) {
  using O = TcxCustomGridTableOptionsSelection;
  p.Bool("CellSelect", &O::CellSelect, &O::SetCellSelect).Default(true);
  p.Bool("HideFocusRectOnExit", &O::HideFocusRectOnExit, &O::SetHideFocusRectOnExit).Default(true);
  p.Bool("HideSelection", &O::HideSelection, &O::SetHideSelection).Default(false);
  p.Bool("InvertSelect", &O::InvertSelect, &O::SetInvertSelect).Stored(&O::IsInvertSelectStored);
  p.Bool("MultiSelect", &O::MultiSelect, &O::SetMultiSelect).Stored(&O::IsMultiSelectStored);
  p.Bool("UnselectFocusedRecordOnExit", &O::UnselectFocusedRecordOnExit, &O::SetUnselectFocusedRecordOnExit)
      .Default(true);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomGridTableOptionsView) {
  using O = TcxCustomGridTableOptionsView;
  p.Bool("CellEndEllipsis", &O::CellEndEllipsis, &O::SetCellEndEllipsis).Default(false);
  p.Bool("FocusRect", &O::FocusRect, &O::SetFocusRect).Default(true);
  p.Bool("Navigator", &O::Navigator, &O::SetNavigator).Default(false);
  p.Int("NavigatorOffset", &O::NavigatorOffset, &O::SetNavigatorOffset).Default(50);
  p.Enum("ShowEditButtons", &O::ShowEditButtons, &O::SetShowEditButtons, GridShowEditButtonsType())
      .Default(gsebNever);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomGridTableBackgroundBitmaps) {
  using B = TcxCustomGridTableBackgroundBitmaps;
  p.Object("Content", &B::Content, &B::SetContent, TBitmap::StaticClass());
  p.Object("FilterBox", &B::FilterBox, &B::SetFilterBox, TBitmap::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomGridTableViewStyles) {
  using S = TcxCustomGridTableViewStyles;
  p.Object("Content", &S::Content, &S::SetContent, TcxStyle::StaticClass());
  p.Object("ContentEven", &S::ContentEven, &S::SetContentEven, TcxStyle::StaticClass());
  p.Object("ContentOdd", &S::ContentOdd, &S::SetContentOdd, TcxStyle::StaticClass());
  p.Object("FilterBox", &S::FilterBox, &S::SetFilterBox, TcxStyle::StaticClass());
  p.Object("Inactive", &S::Inactive, &S::SetInactive, TcxStyle::StaticClass());
  p.Object("IncSearch", &S::IncSearch, &S::SetIncSearch, TcxStyle::StaticClass());
  p.Object("Selection", &S::Selection, &S::SetSelection, TcxStyle::StaticClass());
}

// ---- item options -------------------------------------------------------------------------

TPersistent* TcxCustomGridTableItemCustomOptions::GetOwner() const { return item_; }

TcxCustomGridTableView* TcxCustomGridTableItemCustomOptions::GridView() const { return item_->GridView(); }

void TcxCustomGridTableItemCustomOptions::Changed(Integer kind) { item_->Changed(kind); }

// Ending the item's editing, moving its focus and cancelling its incremental search belong to
// the table controller; these setters report the change.
void TcxCustomGridTableItemOptions::SetEditing(bool v) {
  if (GridStoreOption(editing_, v)) Changed(0);
}
void TcxCustomGridTableItemOptions::SetFiltering(bool v) {
  if (GridStoreOption(filtering_, v)) Changed(1);
}
void TcxCustomGridTableItemOptions::SetFilteringMRUItemsList(bool v) {
  if (GridStoreOption(filteringMRUItemsList_, v)) Changed(0);
}
void TcxCustomGridTableItemOptions::SetFocusing(bool v) {
  if (GridStoreOption(focusing_, v)) Changed(0);
}
void TcxCustomGridTableItemOptions::SetGrouping(bool v) {
  if (GridStoreOption(grouping_, v)) Changed(0);
}
void TcxCustomGridTableItemOptions::SetIncSearch(bool v) {
  if (GridStoreOption(incSearch_, v)) Changed(0);
}
void TcxCustomGridTableItemOptions::SetMoving(bool v) {
  if (GridStoreOption(moving_, v)) Changed(0);
}
void TcxCustomGridTableItemOptions::SetShowEditButtons(TcxGridItemShowEditButtons v) {
  if (GridStoreOption(showEditButtons_, v)) Changed(2);
}
void TcxCustomGridTableItemOptions::SetSortByDisplayText(TcxGridItemSortByDisplayText v) {
  if (!GridStoreOption(sortByDisplayText_, v)) return;
  // The data controller sorts anew by the item's new rule.
  if (GridView() && GridView()->DataController()) GridView()->DataController()->Refresh();
}
void TcxCustomGridTableItemOptions::SetSorting(bool v) {
  if (GridStoreOption(sorting_, v)) Changed(0);
}

void TcxCustomGridTableItemOptions::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxCustomGridTableItemOptions*>(source)) {
    SetEditing(s->editing_);
    SetFiltering(s->filtering_);
    SetFilteringMRUItemsList(s->filteringMRUItemsList_);
    SetFocusing(s->focusing_);
    SetGrouping(s->grouping_);
    SetIncSearch(s->incSearch_);
    SetMoving(s->moving_);
    SetShowEditButtons(s->showEditButtons_);
    SetSortByDisplayText(s->sortByDisplayText_);
    SetSorting(s->sorting_);
  }
  TcxCustomGridTableItemCustomOptions::AssignFrom(source);
}

// ---- item styles --------------------------------------------------------------------------

TcxCustomGridTableItemStyles::TcxCustomGridTableItemStyles(TPersistent* owner)
    : TcxCustomGridStyles(owner), item_(dynamic_cast<TcxCustomGridTableItem*>(owner)) {}

TcxCustomGridView* TcxCustomGridTableItemStyles::GridView() const { return item_ ? item_->GridView() : nullptr; }

void TcxCustomGridTableItemStyles::IndexChanged(Integer index) {
  if (item_) item_->Changed(2);
}

// The item's view is a table view by construction: no cast is needed to reach its styles, which
// matters since a content lookup runs once per exported or painted cell.
void TcxCustomGridTableItemStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  TcxCustomGridTableView* view = index == isContent && item_ ? item_->GridView() : nullptr;
  if (view && view->TableStyles()) {
    view->TableStyles()->GetRecordContentParams(dynamic_cast<TcxCustomGridRecord*>(data), item_, params);
    return;
  }
  TcxCustomGridStyles::DefaultViewParams(index, data, params);
}

void TcxCustomGridTableItemStyles::GetContentParams(TcxCustomGridRecord* record, TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (record && OnGetContentStyle) OnGetContentStyle(item_ ? item_->GridView() : nullptr, record, item_, style);
  ResolveViewParams(isContent, record, style, params);
}

void TcxCustomGridTableItemStyles::AssignFrom(TPersistent* source) {
  TcxCustomGridStyles::AssignFrom(source);
  if (auto* s = dynamic_cast<TcxCustomGridTableItemStyles*>(source)) {
    SetContent(s->Content());
    OnGetContentStyle = s->OnGetContentStyle;
  }
}

// ---- items: options, sizes, sorting and grouping --------------------------------------------

TcxCustomGridTableItemOptions* TcxCustomGridTableItem::Options() {
  if (!options_) options_ = static_cast<TcxCustomGridTableItemOptions*>(GetOptionsClass()->Create(this));
  return options_;
}

TcxCustomGridTableItemStyles* TcxCustomGridTableItem::Styles() {
  if (!styles_) styles_ = static_cast<TcxCustomGridTableItemStyles*>(GetStylesClass()->Create(this));
  return styles_;
}

void TcxCustomGridTableItem::SetHeaderAlignmentHorz(TAlignment value) {
  if (headerAlignmentHorzAssigned_ && headerAlignmentHorz_ == value) return;
  headerAlignmentHorz_ = value;
  headerAlignmentHorzAssigned_ = true;
  Changed(1);
}

void TcxCustomGridTableItem::SetHeaderAlignmentVert(TcxAlignmentVert value) {
  if (headerAlignmentVertAssigned_ && headerAlignmentVert_ == value) return;
  headerAlignmentVert_ = value;
  headerAlignmentVertAssigned_ = true;
  Changed(1);
}

void TcxCustomGridTableItem::SetBestFitMaxWidth(Integer value) {
  if (GridStoreOption(bestFitMaxWidth_, value < 0 ? 0 : value)) Changed(0);
}

void TcxCustomGridTableItem::SetHidden(bool value) {
  if (!GridStoreOption(hidden_, value)) return;
  if (gridView_ && gridView_->Controller()) gridView_->Controller()->RefreshCustomizationForm();
  Changed(0);
}

bool TcxCustomGridTableItem::IsFirst() const { return visibleIndex_ == 0; }

bool TcxCustomGridTableItem::IsLast() const {
  return gridView_ && visibleIndex_ >= 0 && visibleIndex_ == gridView_->VisibleItemCount() - 1;
}

TcxDataSortOrder TcxCustomGridTableItem::SortOrder() const {
  TcxCustomDataController* dc = gridView_ ? gridView_->DataController() : nullptr;
  return dc && index_ >= 0 ? dc->ItemSortOrder(index_) : soNone;
}

void TcxCustomGridTableItem::SetSortOrder(TcxDataSortOrder value) {
  if (SortOrder() == value || !gridView_ || index_ < 0) return;
  gridView_->DataController()->ChangeItemSortOrder(index_, value);
}

Integer TcxCustomGridTableItem::SortIndex() const {
  TcxCustomDataController* dc = gridView_ ? gridView_->DataController() : nullptr;
  return dc && index_ >= 0 ? dc->ItemSortIndex(index_) : -1;
}

void TcxCustomGridTableItem::SetSortIndex(Integer value) {
  if (!gridView_ || index_ < 0) return;
  if (gridView_->IsLoadingLayout() && value != -1) {
    gridView_->AddPendingSort(this, value);
    return;
  }
  if (SortIndex() != value) gridView_->DataController()->ChangeItemSortIndex(index_, value);
}

Integer TcxCustomGridTableItem::GroupIndex() const {
  TcxCustomDataController* dc = gridView_ ? gridView_->DataController() : nullptr;
  return dc && index_ >= 0 ? dc->Groups()->LevelOfItem(index_) : -1;
}

void TcxCustomGridTableItem::SetGroupIndex(Integer value) {
  if (!gridView_ || index_ < 0) return;
  if (gridView_->IsLoadingLayout() && value != -1) {
    gridView_->AddPendingGroup(this, value);
    return;
  }
  const Integer current = GroupIndex();
  if (current == value) return;
  if (current == -1 && !gridView_->IsApplyingLayout()) wasVisibleBeforeGrouping_ = Visible();
  gridView_->DataController()->Groups()->ChangeItemGroupIndex(index_, value);
}

void TcxCustomGridTableItem::SetIndex(Integer value) {
  if (!gridView_) return;
  if (gridView_->IsLoadingLayout()) {
    gridView_->AddPendingIndex(this, value);
    return;
  }
  gridView_->ChangeItemIndex(this, value);
}

// ---- items: editor properties ---------------------------------------------------------------

// Listens to the repository items an item uses (its own and the binding's default one).
class TcxCustomGridTableItemRepositoryLink : public IcxEditItemListener {
 public:
  explicit TcxCustomGridTableItemRepositoryLink(TcxCustomGridTableItem* item) : item_(item) {}
  void ItemRemoved(TcxEditRepositoryItem* repositoryItem) override { item_->RepositoryItemRemoved(repositoryItem); }
  void ItemPropertiesChanged(TcxEditRepositoryItem*) override { item_->PropertiesValueChanged(); }

 private:
  TcxCustomGridTableItem* item_;
};

void TcxCustomGridTableItem::FreeSubObjects() {
  ClearDefaultRepositoryItem();
  currentProperties_ = nullptr;
  delete repositoryLink_;
  repositoryLink_ = nullptr;
  if (properties_) properties_->Free();
  properties_ = nullptr;
  if (styles_) styles_->Free();
  styles_ = nullptr;
  if (options_) options_->Free();
  options_ = nullptr;
}

String TcxCustomGridTableItem::PropertiesClassName() const {
  return propertiesClass_ ? String(propertiesClass_->ClassName()) : String();
}

void TcxCustomGridTableItem::SetPropertiesClassName(const String& value) {
  // A name that no registered properties class bears removes the own properties.
  SetPropertiesClass(value.empty() ? nullptr : EditPropertiesRegistry()->FindByClassName(value));
}

void TcxCustomGridTableItem::SetPropertiesClass(TClass value) {
  if (propertiesClass_ == value) return;
  propertiesClass_ = value;
  TcxCustomEditProperties* old = properties_;
  properties_ = nullptr;
  if (value) {
    properties_ = dynamic_cast<TcxCustomEditProperties*>(value->Create(this));
    if (!properties_) propertiesClass_ = nullptr;
  }
  if (currentProperties_ == old) currentProperties_ = nullptr;
  // The in-place editor cached for the old properties goes with them.
  if (old && GridView())
    if (auto* c = dynamic_cast<TcxCustomGridTableController*>(GridView()->Controller()))
      c->EditingController()->RemoveEdit(old);
  if (old) old->Free();
  RefreshCurrentProperties();
  PropertiesValueChanged();
}

void TcxCustomGridTableItem::SetProperties(TcxCustomEditProperties* value) {
  if (properties_ && value) properties_->Assign(value);
}

void TcxCustomGridTableItem::SetRepositoryItem(TcxEditRepositoryItem* value) {
  if (repositoryItem_ == value) return;
  if (!repositoryLink_) repositoryLink_ = new TcxCustomGridTableItemRepositoryLink(this);
  if (repositoryItem_) repositoryItem_->RemoveListener(repositoryLink_);
  repositoryItem_ = value;
  if (repositoryItem_) repositoryItem_->AddListener(repositoryLink_);
  RefreshCurrentProperties();
  PropertiesValueChanged();
}

void TcxCustomGridTableItem::RepositoryItemRemoved(TcxEditRepositoryItem* item) {
  if (item == defaultRepositoryItem_) {
    defaultRepositoryItem_ = nullptr;
    currentProperties_ = nullptr;
    RefreshCurrentProperties();
  } else if (item == repositoryItem_) {
    SetRepositoryItem(nullptr);
  }
}

void TcxCustomGridTableItem::ClearDefaultRepositoryItem() {
  if (defaultRepositoryItem_ && repositoryLink_) defaultRepositoryItem_->RemoveListener(repositoryLink_);
  defaultRepositoryItem_ = nullptr;
}

TcxCustomEditProperties* TcxCustomGridTableItem::GetProperties() {
  RefreshCurrentProperties();
  if (currentProperties_) {
    // The binding's defaults (alignment, formats of the field) reach the properties quietly.
    currentProperties_->SuppressChanges(true);
    currentProperties_->AttachDefaultValuesProvider(dataBinding_ ? dataBinding_->GetDefaultValuesProviderIntf()
                                                                 : nullptr);
    currentProperties_->SuppressChanges(false);
  }
  return currentProperties_;
}

TcxCustomEditProperties* TcxCustomGridTableItem::GetPropertiesForRecord(TcxCustomGridRecord* record) {
  TcxCustomEditProperties* properties = GetProperties();
  if (OnGetProperties) OnGetProperties(this, record, properties);
  return properties;
}

void TcxCustomGridTableView::DoGetDragDropText(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                               String& text) {
  text = record && item ? record->GetDisplayText(item->Index()) : String();
  if (OnGetDragDropText) OnGetDragDropText(this, record, item, text);
}

void TcxCustomGridTableItem::RefreshCurrentProperties() {
  TcxEditRepositoryItem* defaultItem = nullptr;
  TcxCustomEditProperties* found = nullptr;
  if (!gridView_) {
    found = nullptr;
  } else if (properties_ && !repositoryItem_) {
    found = properties_;
  } else if (repositoryItem_) {
    found = repositoryItem_->Properties();
  } else if (!ComponentState().Contains(csDestroying) && dataBinding_) {
    defaultItem = dataBinding_->GetDefaultRepositoryItem();
    if (defaultItem) found = defaultItem->Properties();
  }
  // The item listens to its default repository item; an unchanged one keeps the link as it
  // is (the default item is shared by many items, whose listener list is searched).
  if (defaultItem != defaultRepositoryItem_) {
    ClearDefaultRepositoryItem();
    if (defaultItem) {
      if (!repositoryLink_) repositoryLink_ = new TcxCustomGridTableItemRepositoryLink(this);
      defaultItem->AddListener(repositoryLink_);
    }
    defaultRepositoryItem_ = defaultItem;
  }
  currentProperties_ = found;
}

void TcxCustomGridTableItem::PropertiesValueChanged() {
  if (!gridView_ || gridView_->ComponentState().Contains(csLoading)) return;
  Changed(2);
}

Word TcxCustomGridTableItem::PropertiesOperations() {
  TcxCustomEditProperties* p = GetProperties();
  return p ? p->GetSupportedOperations() : 0;
}

// ---- items: abilities -----------------------------------------------------------------------

bool TcxCustomGridTableItem::CanFilter(bool checkOptions) {
  if (!(PropertiesOperations() & esoFiltering) || !Options()->Filtering()) return false;
  return !checkOptions || !gridView_ || gridView_->OptionsCustomize()->ItemFiltering();
}

bool TcxCustomGridTableItem::CanGroup() {
  return (PropertiesOperations() & esoSorting) && gridView_ && gridView_->OptionsCustomize()->ItemGrouping() &&
         Options()->Grouping();
}

bool TcxCustomGridTableItem::CanSort() {
  return (PropertiesOperations() & esoSorting) && gridView_ && gridView_->OptionsCustomize()->ItemSorting() &&
         Options()->Sorting();
}

bool TcxCustomGridTableItem::CanMove() {
  return gridView_ && gridView_->OptionsCustomize()->ItemMoving() && Options()->Moving();
}

bool TcxCustomGridTableItem::CanHide() { return CanMove() && !(IsFirst() && IsLast()); }

bool TcxCustomGridTableItem::CanIncSearch() {
  return (PropertiesOperations() & esoIncSearch) && Options()->IncSearch();
}

bool TcxCustomGridTableItem::SortByDisplayText(bool defaultValue) {
  switch (Options()->SortByDisplayText()) {
    case isbtOn:
      return true;
    case isbtOff:
      return false;
    default:
      if (OnGetDataText) return true;
      return defaultValue && (PropertiesOperations() & esoSortingByDisplayText);
  }
}

// ---- items: assignment ----------------------------------------------------------------------

void TcxCustomGridTableItem::Assign(TPersistent* source) {
  if (auto* item = dynamic_cast<TcxCustomGridTableItem*>(source))
    AssignFrom(item);
  else
    TcxComponent::Assign(source);
}

void TcxCustomGridTableItem::AssignFrom(TcxCustomGridTableItem* source) {
  SetBestFitMaxWidth(source->bestFitMaxWidth_);
  if (dataBinding_ && source->dataBinding_) dataBinding_->Assign(source->dataBinding_);
  isCaptionAssigned_ = source->isCaptionAssigned_;
  caption_ = source->caption_;
  SetGroupIndex(source->GroupIndex());
  headerAlignmentHorz_ = source->headerAlignmentHorz_;
  headerAlignmentHorzAssigned_ = source->headerAlignmentHorzAssigned_;
  headerAlignmentVert_ = source->headerAlignmentVert_;
  headerAlignmentVertAssigned_ = source->headerAlignmentVertAssigned_;
  SetHidden(source->hidden_);
  SetMinWidth(source->minWidth_);
  Options()->AssignFrom(source->Options());
  SetPropertiesClass(source->propertiesClass_);
  SetProperties(source->properties_);
  SetRepositoryItem(source->repositoryItem_);
  SetSortOrder(source->SortOrder());
  SetSortIndex(source->SortIndex());
  Styles()->AssignFrom(source->Styles());
  SetTag(source->Tag());
  SetVisible(source->visible_);
  isWidthAssigned_ = source->isWidthAssigned_;
  width_ = source->width_;
  OnGetDataText = source->OnGetDataText;
  OnGetDisplayText = source->OnGetDisplayText;
  OnGetStoredProperties = source->OnGetStoredProperties;
  OnGetStoredPropertyValue = source->OnGetStoredPropertyValue;
  OnSetStoredPropertyValue = source->OnSetStoredPropertyValue;
  Changed(2);
}

void TcxCustomGridTableView::DoAssign(TcxCustomGridView* source) {
  auto* s = dynamic_cast<TcxCustomGridTableView*>(source);
  if (s) {
    BeginUpdate();
    BeginLoadingLayout();
    try {
      for (Integer i = 0; i < s->ItemCount(); ++i) {
        TcxCustomGridTableItem* from = s->Items(i);
        TcxCustomGridTableItem* item = FindItemByID(from->ID());
        if (!item) {
          item = CreateItem();
          item->id_ = from->ID();
          nextID_ = std::max(nextID_, from->ID() + 1);
        }
        ChangeItemIndex(item, i);
        item->AssignFrom(from);
      }
      while (ItemCount() > s->ItemCount()) items_.back()->Free();
      nextID_ = s->nextID_;
      navigatorButtons_->AssignFrom(s->navigatorButtons_);
      optionsCustomize_->AssignFrom(s->optionsCustomize_);
      if (s->filterBox_) FilterBox()->AssignFrom(s->filterBox_);
      if (s->filtering_) Filtering()->AssignFrom(s->filtering_);
    } catch (...) {
      EndLoadingLayout();
      EndUpdate();
      throw;
    }
    EndLoadingLayout();
    EndUpdate();
  }
  TcxCustomGridView::DoAssign(source);
}

// ---- items: stored layout -------------------------------------------------------------------

void TcxCustomGridTableItem::GetStoredProperties(TStrings* list) {
  for (const char* name : {"AlignmentHorz", "Index", "Visible", "SortOrder", "SortIndex", "WasVisibleBeforeGrouping"})
    list->Add(name);
  if (OnGetStoredProperties) OnGetStoredProperties(this, list);
}

void TcxCustomGridTableItem::GetStoredPropertyValue(const String& name, Variant& value) {
  if (name == "AlignmentHorz") {
    TcxCustomEditProperties* p = GetProperties();
    value = Variant(Integer(p ? p->GetAlignmentHorz() : taLeftJustify));
  } else if (name == "Index") {
    value = Variant(index_);
  } else if (name == "Visible") {
    value = Variant(GetVisible());
  } else if (name == "SortOrder") {
    value = Variant(Integer(SortOrder()));
  } else if (name == "SortIndex") {
    value = Variant(SortIndex());
  } else if (name == "WasVisibleBeforeGrouping") {
    value = Variant(wasVisibleBeforeGrouping_);
  } else if (OnGetStoredPropertyValue) {
    OnGetStoredPropertyValue(this, name, value);
  }
}

void TcxCustomGridTableItem::SetStoredPropertyValue(const String& name, const Variant& value) {
  if (name == "AlignmentHorz") {
    const auto alignment = TAlignment(value.AsInteger());
    TcxCustomEditProperties* p = GetProperties();
    if (p && p->GetAlignmentHorz() == alignment) return;
    // An item without properties of its own takes own ones of the current class first.
    if (!repositoryItem_ && !properties_ && p) SetPropertiesClass(p->ClassType());
    if (properties_) properties_->Alignment()->SetHorz(alignment);
  } else if (name == "Index") {
    SetIndex(value.AsInteger());
  } else if (name == "Visible") {
    SetVisible(value.AsBoolean());
  } else if (name == "SortOrder") {
    SetSortOrder(TcxDataSortOrder(value.AsInteger()));
  } else if (name == "SortIndex") {
    SetSortIndex(value.AsInteger());
  } else if (name == "WasVisibleBeforeGrouping") {
    wasVisibleBeforeGrouping_ = value.AsBoolean();
  } else if (OnSetStoredPropertyValue) {
    OnSetStoredPropertyValue(this, name, value);
  }
}

// ---- view options ---------------------------------------------------------------------------

void TcxCustomGridTableOptionsBehavior::SetFlag(bool& field, bool value, Integer kind) {
  if (GridStoreOption(field, value)) Changed(kind);
}

void TcxCustomGridTableOptionsBehavior::SetCopyCaptionsToClipboard(bool v) { SetFlag(copyCaptionsToClipboard_, v); }
void TcxCustomGridTableOptionsBehavior::SetFocusCellOnCycle(bool v) { SetFlag(focusCellOnCycle_, v); }

// The site asks for the Tab key only while Tab moves between cells; otherwise the form takes it.
void TcxCustomGridTableOptionsBehavior::SetFocusCellOnTab(bool v) {
  if (TcxGridSite* site = GridView() ? GridView()->Site() : nullptr) {
    TcxWantedKeys keys = site->WantedKeys();
    if (v)
      keys += wkTab;
    else
      keys -= wkTab;
    site->SetWantedKeys(keys);
  }
  SetFlag(focusCellOnTab_, v);
}
void TcxCustomGridTableOptionsBehavior::SetPullFocusing(bool v) { SetFlag(pullFocusing_, v); }
void TcxCustomGridTableOptionsBehavior::SetBestFitMaxRecordCount(Integer v) {
  if (GridStoreOption(bestFitMaxRecordCount_, v < 0 ? 0 : v)) Changed(0);
}

void TcxCustomGridTableOptionsBehavior::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxCustomGridTableOptionsBehavior*>(source)) {
    SetBestFitMaxRecordCount(s->bestFitMaxRecordCount_);
    SetCopyCaptionsToClipboard(s->copyCaptionsToClipboard_);
    SetFocusCellOnCycle(s->focusCellOnCycle_);
    SetPullFocusing(s->pullFocusing_);
    SetAlwaysShowEditor(s->alwaysShowEditor_);
    SetCellHints(s->cellHints_);
    SetFocusCellOnTab(s->focusCellOnTab_);
    SetFocusFirstCellOnNewRecord(s->focusFirstCellOnNewRecord_);
    SetGoToNextCellOnEnter(s->goToNextCellOnEnter_);
    SetNavigatorHints(s->navigatorHints_);
    SetImmediateEditor(s->immediateEditor_);
    SetIncSearch(s->incSearch_);
    SetDragScrolling(s->dragScrolling_);
    SetDragDropText(s->dragDropText_);
    SetDragFocusing(s->dragFocusing_);
    SetDragHighlighting(s->dragHighlighting_);
    SetDragOpening(s->dragOpening_);
  }
  TcxCustomGridOptionsBehavior::AssignFrom(source);
}

void TcxCustomGridTableOptionsCustomize::SetFlag(bool& field, bool value, Integer kind) {
  if (GridStoreOption(field, value)) Changed(kind);
}
void TcxCustomGridTableOptionsCustomize::SetItemFiltering(bool v) { SetFlag(itemFiltering_, v, 2); }
void TcxCustomGridTableOptionsCustomize::SetItemGrouping(bool v) { SetFlag(itemGrouping_, v, 0); }
void TcxCustomGridTableOptionsCustomize::SetItemHiding(bool v) { SetFlag(itemHiding_, v, 0); }
void TcxCustomGridTableOptionsCustomize::SetItemMoving(bool v) { SetFlag(itemMoving_, v, 0); }
void TcxCustomGridTableOptionsCustomize::SetItemSorting(bool v) { SetFlag(itemSorting_, v, 0); }
void TcxCustomGridTableOptionsCustomize::SetItemsQuickCustomization(bool v) {
  SetFlag(itemsQuickCustomization_, v, 2);
}
void TcxCustomGridTableOptionsCustomize::SetItemsQuickCustomizationMaxDropDownCount(Integer v) {
  if (GridStoreOption(quickMaxDropDownCount_, v < 0 ? 0 : v)) Changed(0);
}

void TcxCustomGridTableOptionsCustomize::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxCustomGridTableOptionsCustomize*>(source)) {
    SetItemFiltering(s->itemFiltering_);
    SetItemGrouping(s->itemGrouping_);
    SetItemHiding(s->itemHiding_);
    SetItemMoving(s->itemMoving_);
    SetItemSorting(s->itemSorting_);
    SetItemsQuickCustomization(s->itemsQuickCustomization_);
    SetItemsQuickCustomizationMaxDropDownCount(s->quickMaxDropDownCount_);
  }
  TcxCustomGridOptions::AssignFrom(source);
}

// Ending the editing follows the table controller; the setters report the change.
void TcxCustomGridTableOptionsData::SetFlag(bool& field, bool value) {
  if (GridStoreOption(field, value)) Changed(0);
}

namespace {

// Deleting, editing and inserting switch navigator buttons: the navigators refresh first.
bool StoreNavigatedFlag(TcxCustomGridTableOptionsData* options, bool& field, bool value) {
  if (!GridStoreOption(field, value)) return false;
  if (auto* view = dynamic_cast<TcxCustomGridTableView*>(options->GridView())) view->UpdateNavigatorState();
  return true;
}

}  // namespace

void TcxCustomGridTableOptionsData::SetAppending(bool v) { SetFlag(appending_, v); }
void TcxCustomGridTableOptionsData::SetCancelOnExit(bool v) { SetFlag(cancelOnExit_, v); }
void TcxCustomGridTableOptionsData::SetDeleting(bool v) {
  if (StoreNavigatedFlag(this, deleting_, v)) Changed(0);
}
void TcxCustomGridTableOptionsData::SetDeletingConfirmation(bool v) { SetFlag(deletingConfirmation_, v); }
void TcxCustomGridTableOptionsData::SetEditing(bool v) {
  if (StoreNavigatedFlag(this, editing_, v)) Changed(0);
}
void TcxCustomGridTableOptionsData::SetInserting(bool v) {
  if (StoreNavigatedFlag(this, inserting_, v)) Changed(0);
}

void TcxCustomGridTableOptionsData::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxCustomGridTableOptionsData*>(source)) {
    SetAppending(s->appending_);
    SetCancelOnExit(s->cancelOnExit_);
    SetDeleting(s->deleting_);
    SetDeletingConfirmation(s->deletingConfirmation_);
    SetEditing(s->editing_);
    SetInserting(s->inserting_);
  }
  TcxCustomGridOptionsData::AssignFrom(source);
}

void TcxCustomGridTableOptionsSelection::SetCellSelect(bool v) {
  if (GridStoreOption(cellSelect_, v)) Changed(0);
}
void TcxCustomGridTableOptionsSelection::SetHideFocusRectOnExit(bool v) {
  if (GridStoreOption(hideFocusRectOnExit_, v)) Changed(1);
}
void TcxCustomGridTableOptionsSelection::SetHideSelection(bool v) {
  if (GridStoreOption(hideSelection_, v)) Changed(1);
}
void TcxCustomGridTableOptionsSelection::SetInvertSelect(bool v) {
  if (GridStoreOption(invertSelect_, v)) Changed(1);
}
bool TcxCustomGridTableOptionsSelection::MultiSelect() const {
  TcxCustomDataController* dc = GridView()->DataController();
  return dc && dc->MultiSelect();
}
void TcxCustomGridTableOptionsSelection::SetMultiSelect(bool v) {
  TcxCustomDataController* dc = GridView()->DataController();
  if (!dc || dc->MultiSelect() == v) return;
  dc->SetMultiSelect(v);
  Changed(0);
}
void TcxCustomGridTableOptionsSelection::SetUnselectFocusedRecordOnExit(bool v) {
  if (GridStoreOption(unselectFocusedRecordOnExit_, v)) Changed(0);
}

void TcxCustomGridTableOptionsSelection::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxCustomGridTableOptionsSelection*>(source)) {
    SetCellSelect(s->cellSelect_);
    SetHideFocusRectOnExit(s->hideFocusRectOnExit_);
    SetHideSelection(s->hideSelection_);
    SetInvertSelect(s->invertSelect_);
    SetMultiSelect(s->MultiSelect());
    SetUnselectFocusedRecordOnExit(s->unselectFocusedRecordOnExit_);
  }
  TcxCustomGridOptionsSelection::AssignFrom(source);
}

void TcxCustomGridTableOptionsView::SetFlag(bool& field, bool value, Integer kind) {
  if (GridStoreOption(field, value)) Changed(kind);
}
void TcxCustomGridTableOptionsView::SetCellAutoHeight(bool v) { SetFlag(cellAutoHeight_, v, 2); }
void TcxCustomGridTableOptionsView::SetCellEndEllipsis(bool v) { SetFlag(cellEndEllipsis_, v, 1); }
void TcxCustomGridTableOptionsView::SetCellTextMaxLineCount(Integer v) {
  if (GridStoreOption(cellTextMaxLineCount_, v < 0 ? 0 : v)) Changed(2);
}
void TcxCustomGridTableOptionsView::SetFocusRect(bool v) { SetFlag(focusRect_, v, 1); }
void TcxCustomGridTableOptionsView::SetItemCaptionAutoHeight(bool v) {
  SetFlag(itemCaptionAutoHeight_, v, ItemCaptionAutoHeightChangeKind());
}
void TcxCustomGridTableOptionsView::SetItemCaptionEndEllipsis(bool v) { SetFlag(itemCaptionEndEllipsis_, v, 1); }
void TcxCustomGridTableOptionsView::SetNavigator(bool v) { SetFlag(navigator_, v, 2); }
void TcxCustomGridTableOptionsView::SetNavigatorOffset(Integer v) {
  if (GridStoreOption(navigatorOffset_, v < 0 ? 0 : v)) Changed(2);
}
void TcxCustomGridTableOptionsView::SetShowEditButtons(TcxGridShowEditButtons v) {
  if (GridStoreOption(showEditButtons_, v)) Changed(2);
}

void TcxCustomGridTableOptionsView::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxCustomGridTableOptionsView*>(source)) {
    SetCellAutoHeight(s->cellAutoHeight_);
    SetCellEndEllipsis(s->cellEndEllipsis_);
    SetCellTextMaxLineCount(s->cellTextMaxLineCount_);
    SetFocusRect(s->focusRect_);
    SetItemCaptionAutoHeight(s->itemCaptionAutoHeight_);
    SetItemCaptionEndEllipsis(s->itemCaptionEndEllipsis_);
    SetNavigator(s->navigator_);
    SetNavigatorOffset(s->navigatorOffset_);
    SetShowEditButtons(s->showEditButtons_);
  }
  TcxCustomGridOptionsView::AssignFrom(source);
}

Integer TcxCustomGridTableBackgroundBitmaps::GetBitmapStyleIndex(Integer index) {
  switch (index) {
    case bbContent:
      return TcxCustomGridTableViewStyles::vsContent;
    case bbFilterBox:
      return TcxCustomGridTableViewStyles::vsFilterBox;
    default:
      return TcxCustomGridBackgroundBitmaps::GetBitmapStyleIndex(index);
  }
}

void TcxCustomGridTableBackgroundBitmaps::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxCustomGridTableBackgroundBitmaps*>(source)) {
    SetContent(s->Content());
    SetFilterBox(s->FilterBox());
  }
  TcxCustomGridBackgroundBitmaps::AssignFrom(source);
}

// ---- view styles ----------------------------------------------------------------------------

TcxCustomLookAndFeelPainterClass TcxCustomGridTableViewStyles::LookAndFeelPainter() const {
  TcxCustomGrid* grid = GridView() ? GridView()->Control() : nullptr;
  return grid ? grid->CurrentPainter() : TcxStandardLookAndFeelPainter::Class();
}

void TcxCustomGridTableViewStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  TcxCustomGridViewStyles::DefaultViewParams(index, data, params);
  TcxCustomLookAndFeelPainterClass painter = LookAndFeelPainter();
  // Only the inactive and selection styles read the record: the content cases, looked up per
  // cell, skip the casts.
  auto record = [data]() -> TcxCustomGridRecord* {
    auto* pos = dynamic_cast<TcxGridCellPos*>(data);
    return pos ? pos->Record : dynamic_cast<TcxCustomGridRecord*>(data);
  };
  switch (index) {
    case vsContent:
    case vsContentEven:
    case vsContentOdd:
      params.Color = painter->ContentColor();
      params.TextColor = painter->ContentTextColor();
      break;
    case vsFilterBox:
      params.Color = painter->FilterBoxColor();
      params.TextColor = painter->FilterBoxTextColor();
      break;
    case vsInactive:
      GetRecordContentParams(record(), nullptr, params);
      params.Color = painter->InactiveColor();
      params.TextColor = painter->InactiveTextColor();
      break;
    case vsIncSearch:
      params.Color = clDefault;
      params.TextColor = clDefault;
      break;
    case vsSelection:
      GetRecordContentParams(record(), nullptr, params);
      params.Color = painter->SelectionColor();
      params.TextColor = painter->SelectionTextColor();
      break;
    default:
      break;
  }
}

void TcxCustomGridTableViewStyles::GetContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                                    TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (record && OnGetContentStyle)
    OnGetContentStyle(dynamic_cast<TcxCustomGridTableView*>(GridView()), record, item, style);
  if (record) {
    const Integer parityIndex = record->Index() % 2 == 0 ? vsContentEven : vsContentOdd;
    if (GetIndexedStyle(parityIndex)) {
      TcxGridCellPos pos(record, item);
      ResolveViewParams(parityIndex, &pos, style, params);
      return;
    }
  }
  ResolveViewParams(vsContent, record, style, params);
}

void TcxCustomGridTableViewStyles::GetCellContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                                        TcxStyleParams& params) {
  if (!item)
    GetRecordContentParams(record, nullptr, params);
  else
    item->Styles()->GetContentParams(record, params);
}

void TcxCustomGridTableViewStyles::AssignFrom(TPersistent* source) {
  TcxCustomGridViewStyles::AssignFrom(source);
  if (auto* s = dynamic_cast<TcxCustomGridTableViewStyles*>(source)) {
    for (Integer i = vsContent; i <= vsSelection; ++i) SetIndexedStyle(i, s->GetIndexedStyle(i));
    OnGetContentStyle = s->OnGetContentStyle;
  }
}

// ---- the view: visible items, item moves, layout loading --------------------------------------

void TcxCustomGridTableView::CreateOptions() {
  TcxCustomGridView::CreateOptions();
  optionsCustomize_ = static_cast<TcxCustomGridTableOptionsCustomize*>(GetOptionsCustomizeClass()->Create(this));
}

void TcxCustomGridTableView::DestroyOptions() {
  FreeAndNil(optionsCustomize_);
  FreeAndNil(filterBox_);
  TcxCustomGridView::DestroyOptions();
}

void TcxCustomGridTableView::RefreshVisibleItemsList() {
  if (visibleItemsLock_ > 0) {
    visibleItemsOutdated_ = true;
    return;
  }
  visibleItemsOutdated_ = false;
  std::vector<TcxCustomGridTableItem*> list;
  for (TcxCustomGridTableItem* item : items_)
    if (item->GetActuallyVisible()) list.push_back(item);
  SortVisibleItems(list);
  for (TcxCustomGridTableItem* item : items_) item->visibleIndex_ = -1;
  for (size_t i = 0; i < list.size(); ++i) list[i]->visibleIndex_ = Integer(i);
  visibleItems_.swap(list);
}

void TcxCustomGridTableView::EndVisibleItemsUpdate() {
  if (--visibleItemsLock_ > 0 || !visibleItemsOutdated_) return;
  RefreshVisibleItemsList();
  if (Controller()) Controller()->RefreshCustomizationForm();
}

void TcxCustomGridTableView::ItemVisibilityChanged(TcxCustomGridTableItem* item, bool value) {
  // A shown item takes the focus when no item has it; a hidden one ends its incremental search
  // and passes the focus on.
  auto* controller = IsDestroying() ? nullptr : dynamic_cast<TcxCustomGridTableController*>(Controller());
  if (!value && controller && controller->GetIncSearchedItem() == item) controller->CancelIncSearching();
  RefreshVisibleItemsList();
  item->Changed(2);
  if (controller) {
    if (!value)
      item->SetFocused(false);
    else if (!controller->FocusedItem())
      item->SetFocused(true);
  }
  if (Controller()) Controller()->RefreshCustomizationForm();
}

void TcxCustomGridTableView::ChangeItemIndex(TcxCustomGridTableItem* item, Integer newIndex) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  newIndex = std::clamp(newIndex, Integer(0), ItemCount() - 1);
  if (item->Index() == newIndex) return;
  items_.erase(it);
  items_.insert(items_.begin() + newIndex, item);
  RenumberItems();
  if (item->Visible()) RefreshVisibleItemsList();
  if (DataController()) DataController()->UpdateItemIndexes();
  Changed(1);
}

void TcxCustomGridTableView::AddPending(TPendingList& list, TcxCustomGridTableItem* item, Integer position) {
  if (position < 0) return;
  // An item keeps one position per list.
  std::replace(list.begin(), list.end(), item, static_cast<TcxCustomGridTableItem*>(nullptr));
  if (Integer(list.size()) <= position) list.resize(size_t(position) + 1, nullptr);
  list[size_t(position)] = item;
}

void TcxCustomGridTableView::ApplyPending(TPendingList& list, void (TcxCustomGridTableItem::*set)(Integer)) {
  TPendingList pending;
  pending.swap(list);
  Integer position = 0;
  for (TcxCustomGridTableItem* item : pending) {
    // Empty positions are skipped: the next item takes the next free place.
    if (item && item->GridView() == this) (item->*set)(position++);
  }
}

void TcxCustomGridTableView::BeginLoadingLayout() {
  if (loadingLayout_++ > 0) return;
  pendingGroups_.clear();
  pendingSorts_.clear();
  pendingIndexes_.clear();
}

void TcxCustomGridTableView::EndLoadingLayout() {
  if (loadingLayout_ == 0 || --loadingLayout_ > 0) return;
  applyingLayout_ = true;
  try {
    BeginUpdate();
    try {
      ApplyPending(pendingIndexes_, &TcxCustomGridTableItem::SetIndex);
      ApplyPending(pendingGroups_, &TcxCustomGridTableItem::SetGroupIndex);
      ApplyPending(pendingSorts_, &TcxCustomGridTableItem::SetSortIndex);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
  } catch (...) {
    applyingLayout_ = false;
    pendingGroups_.clear();
    pendingSorts_.clear();
    pendingIndexes_.clear();
    throw;
  }
  applyingLayout_ = false;
}

void TcxCustomGridTableView::Loading() {
  TcxCustomGridView::Loading();
  BeginLoadingLayout();
}

void TcxCustomGridTableView::Loaded() {
  TcxCustomGridView::Loaded();
  EndLoadingLayout();
}

Integer TcxCustomGridTableView::GetDefaultActiveRelationIndex() {
  TcxGridLevel* level = Level();
  if (!level) return -1;
  for (Integer i = 0; i < level->Count(); ++i)
    if (level->Items(i)->Visible()) return i;
  return -1;
}
