#include "grid/cxGridFilterPopup.h"

#include <algorithm>

#include "editors-extra/cxFilterControlDialog.h"
#include "editors-extra/cxFilterDialog.h"
#include "data/cxCustomDataInternal.h"
#include "foundation/cxControls.h"
#include "grid/cxGrid.h"
#include "grid/cxGridCustomTableController.h"
#include "grid/cxGridCustomizationForm.h"
#include "grid/cxGridFilterBox.h"
#include "rtl/SysUtils.h"

using cxdata_internal::Finally;

KORVAN_IMPLEMENT_CLASS(TcxGridFilterPopupListBox)
KORVAN_IMPLEMENT_CLASS(TcxGridFilterPopup)
KORVAN_IMPLEMENT_CLASS(TcxGridFilterMRUItemsPopup)

namespace {
// The display text of a condition made by "(Blanks)" or "(NonBlanks)".
const TcxResourceStringRec scxGridFilterBlankDisplayText{"scxGridFilterBlankDisplayText", "blank"};

std::string FilterStream(TcxFilterCriteria* filter) {
  TStringStream stream;
  filter->StoreToStream(stream);
  return stream.DataString();
}
// An identifier of the type read from a form description; an unknown one is refused.
Integer ReadEnumIdent(TReader& reader, PTypeInfo type, const char* name) {
  const String ident = reader.ReadIdent();
  const Int64 value = GetEnumValue(type, ident);
  if (value < 0) throw EPropertyError("Invalid property value " + ident + " for '" + name + "'");
  return Integer(value);
}
}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomGridTableFiltering) {
  using F = TcxCustomGridTableFiltering;
  p.Bool("MRUItemsList", &F::MRUItemsList, &F::SetMRUItemsList).Default(true);
  p.Int("MRUItemsListCount", &F::MRUItemsListCount, &F::SetMRUItemsListCount).Default(10);
}

// ---- recent filters --------------------------------------------------------------------------------

TcxGridFilterMRUItem::TcxGridFilterMRUItem(TcxDataFilterCriteria* filter) : filter_(filter) {}

TcxGridFilterMRUItem::~TcxGridFilterMRUItem() { filter_->DataController()->DestroyFilter(filter_); }

bool TcxGridFilterMRUItem::IsEqual(const TcxMRUItem* item) const {
  auto* other = dynamic_cast<const TcxGridFilterMRUItem*>(item);
  return other && other->StreamBytes() == StreamBytes();
}

std::string TcxGridFilterMRUItem::StreamBytes() const { return FilterStream(filter_); }

void TcxGridFilterMRUItems::Add(TcxFilterCriteria* criteria) {
  if (!criteria || criteria->IsEmpty()) return;
  TcxDataFilterCriteria* copy = filtering_->TableView()->DataController()->CreateFilter();
  copy->AssignItems(criteria);
  AddToTop(new TcxGridFilterMRUItem(copy));
  RefreshVisibleItems();
}

void TcxGridFilterMRUItems::RefreshVisibleItems() {
  const Integer oldCount = VisibleCount();
  visible_.clear();
  TcxCustomDataController* dc = filtering_->TableView()->DataController();
  const std::string current = dc && dc->Filter() ? FilterStream(dc->Filter()) : std::string();
  for (Integer i = 0; i < ItemCount(); ++i)
    if (Item(i)->StreamBytes() != current) visible_.push_back(Item(i));
  if (updateCount_ == 0 && VisibleCount() != oldCount) filtering_->MRUVisibleCountChanged(oldCount, VisibleCount());
}

void TcxGridFilterMRUItems::BeginUpdate() {
  if (updateCount_++ == 0) countBeforeUpdate_ = VisibleCount();
}

void TcxGridFilterMRUItems::EndUpdate() {
  if (--updateCount_ > 0) return;
  RefreshVisibleItems();
  if (VisibleCount() != countBeforeUpdate_) filtering_->MRUVisibleCountChanged(countBeforeUpdate_, VisibleCount());
}

void TcxGridFilterMRUItems::DeleteEmptyItems() {
  bool deleted = false;
  for (Integer i = ItemCount() - 1; i >= 0; --i)
    if (Item(i)->Filter()->IsEmpty()) {
      RemoveAt(i);
      deleted = true;
    }
  if (deleted) RefreshVisibleItems();
}

void TcxGridFilterMRUItems::ItemRemoving(TcxMRUItem* item) {
  visible_.erase(std::remove(visible_.begin(), visible_.end(), item), visible_.end());
}

// ---- filtering options ---------------------------------------------------------------------------------

TcxCustomGridTableFiltering::TcxCustomGridTableFiltering(TcxCustomGridView* gridView)
    : TcxCustomGridOptions(gridView), mruItems_(std::make_unique<TcxGridFilterMRUItems>(this)) {
  mruItems_->SetCapacityLimit(mruItemsListCount_ + 1);
  // The visible recent filters follow the filter (after whoever listened before).
  if (TcxCustomDataController* dc = TableView()->DataController()) {
    previousFilterChanged_ = dc->Filter()->OnChanged;
    dc->Filter()->OnChanged = [this](TObject* sender) {
      if (previousFilterChanged_) previousFilterChanged_(sender);
      FilterChanged();
    };
  }
}

TcxCustomGridTableFiltering::~TcxCustomGridTableFiltering() {
  if (TcxCustomDataController* dc = TableView()->DataController()) dc->Filter()->OnChanged = previousFilterChanged_;
}

void TcxCustomGridTableFiltering::AssignFrom(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomGridTableFiltering*>(source);
  if (!s) {
    TcxCustomGridOptions::AssignFrom(source);
    return;
  }
  SetItemMRUItemsList(s->itemMRUItemsList_);
  SetItemMRUItemsListCount(s->itemMRUItemsListCount_);
  SetItemPopupDropDownWidth(s->itemPopupDropDownWidth_);
  SetItemPopupMaxDropDownItemCount(s->itemPopupMaxDropDownItemCount_);
  SetMRUItemsList(s->mruItemsList_);
  SetMRUItemsListCount(s->mruItemsListCount_);
}

void TcxCustomGridTableFiltering::SetItemMRUItemsList(bool v) {
  if (v == itemMRUItemsList_) return;
  itemMRUItemsList_ = v;
  Changed(0);
}

void TcxCustomGridTableFiltering::SetItemMRUItemsListCount(Integer v) {
  v = std::max(v, 0);
  if (v == itemMRUItemsListCount_) return;
  itemMRUItemsListCount_ = v;
  TcxCustomGridTableView* view = TableView();
  for (Integer i = 0; i < view->ItemCount(); ++i)
    if (TcxGridItemDataBinding* binding = view->Items(i)->DataBinding())
      binding->FilterMRUValueItems()->SetCapacityLimit(v);
  Changed(0);
}

void TcxCustomGridTableFiltering::SetItemPopupDropDownWidth(Integer v) {
  v = std::max(v, 0);
  if (v == itemPopupDropDownWidth_) return;
  itemPopupDropDownWidth_ = v;
  Changed(0);
}

void TcxCustomGridTableFiltering::SetItemPopupMaxDropDownItemCount(Integer v) {
  v = std::max(v, 0);
  if (v == itemPopupMaxDropDownItemCount_) return;
  itemPopupMaxDropDownItemCount_ = v;
  Changed(0);
}

void TcxCustomGridTableFiltering::SetMRUItemsList(bool v) {
  if (v == mruItemsList_) return;
  mruItemsList_ = v;
  Changed(2);
}

void TcxCustomGridTableFiltering::SetMRUItemsListCount(Integer v) {
  v = std::max(v, 0);
  if (v == mruItemsListCount_) return;
  mruItemsListCount_ = v;
  // The current filter is normally at the top of the list but not shown.
  mruItems_->SetCapacityLimit(v > 0 ? v + 1 : 0);
  mruItems_->RefreshVisibleItems();
  Changed(0);
}

Integer TcxCustomGridTableFiltering::MRUItemsListDropDownCount() const {
  return TableView()->FilterBox()->MRUItemsListDropDownCount();
}

void TcxCustomGridTableFiltering::SetMRUItemsListDropDownCount(Integer v) {
  TableView()->FilterBox()->SetMRUItemsListDropDownCount(v);
}

void TcxCustomGridTableFiltering::AddToMRU(TcxFilterCriteria* criteria) {
  if (!criteria) criteria = TableView()->DataController()->Filter();
  mruItems_->Add(criteria);
}

void TcxCustomGridTableFiltering::FilterChanged() { mruItems_->RefreshVisibleItems(); }

bool TcxCustomGridTableFiltering::IsMRUItemsListAvailable() { return mruItemsList_ && mruItems_->VisibleCount() > 0; }

void TcxCustomGridTableFiltering::MRUVisibleCountChanged(Integer oldCount, Integer newCount) {
  if (mruItemsList_ && (oldCount == 0 || newCount == 0)) Changed(2);
}

void TcxCustomGridTableFiltering::CustomizeFilter(TcxCustomGridTableItem* item) {
  TcxCustomGridTableView* view = TableView();
  if (view->DoFilterDialogShow(item)) return;
  TcxDataFilterCriteria* filter = view->DataController()->Filter();
  mruItems_->BeginUpdate();
  Finally endRecent{[this] { mruItems_->EndUpdate(); }};
  TcxCustomGrid* grid = view->Control();
  TFont* font = grid ? grid->Font() : nullptr;
  TcxLookAndFeel* lookAndFeel = grid ? grid->LookAndFeelObject() : nullptr;
  if (item && !IsFilterTooComplexForDialog(filter)) {
    TcxGridItemDataBinding* binding = item->DataBinding();
    if (ShowFilterDialog(filter, item, item->GetProperties(), item->Caption(),
                         binding ? binding->GetValueTypeClass() : nullptr, font, lookAndFeel)) {
      filter->SetActive(true);
      AddToMRU();
    }
    return;
  }
  if (view->DoFilterCustomization()) return;
  TcxGridViewFilterLink link(view);
  ExecuteFilterControlDialog(
      &link, lookAndFeel, clDefault,
      [&] {
        filter->SetActive(true);
        AddToMRU();
      },
      view->OnFilterControlDialogShow, String(), font);
}

void TcxCustomGridTableFiltering::DefineProperties(TFiler* filer) {
  TcxCustomGridOptions::DefineProperties(filer);
  TcxGridFilterBox* box = TableView()->FilterBox();
  filer->DefineProperty(
      "CustomizeDialog", [box](TReader& r) { box->SetCustomizeDialog(r.ReadBoolean()); }, nullptr, false);
  filer->DefineProperty(
      "DropDownWidth", [this](TReader& r) { SetItemPopupDropDownWidth(r.ReadInteger()); }, nullptr, false);
  filer->DefineProperty(
      "MaxDropDownCount", [this](TReader& r) { SetItemPopupMaxDropDownItemCount(r.ReadInteger()); }, nullptr,
      false);
  filer->DefineProperty(
      "MRUItemsListDropDownCount", [box](TReader& r) { box->SetMRUItemsListDropDownCount(r.ReadInteger()); },
      nullptr, false);
  filer->DefineProperty(
      "Position",
      [box](TReader& r) {
        box->SetPosition(TcxGridFilterPosition(ReadEnumIdent(r, GridFilterPositionTypeInfo(), "Position")));
      },
      nullptr, false);
  filer->DefineProperty(
      "Visible",
      [box](TReader& r) {
        box->SetVisible(TcxGridFilterVisible(ReadEnumIdent(r, GridFilterVisibleTypeInfo(), "Visible")));
      },
      nullptr, false);
}

// ---- the view, its items and their bindings ---------------------------------------------------------

TcxCustomGridTableFiltering* TcxCustomGridTableView::Filtering() const {
  if (!filtering_) {
    auto* self = const_cast<TcxCustomGridTableView*>(this);
    filtering_ = static_cast<TcxCustomGridTableFiltering*>(self->GetFilteringClass()->Create(self));
  }
  return filtering_;
}

void TcxCustomGridTableView::SetFiltering(TcxCustomGridTableFiltering* v) { Filtering()->AssignFrom(v); }

bool TcxCustomGridTableView::HasFilterMRUItems() { return Filtering()->IsMRUItemsListAvailable(); }

void TcxCustomGridTableView::ShowFilterMRUItemsPopup() {
  auto* controller = dynamic_cast<TcxCustomGridTableController*>(Controller());
  auto* info = dynamic_cast<TcxCustomGridTableViewInfo*>(ViewInfo());
  if (!controller || !info || !info->FilterViewInfo()) return;
  // Made first, so the button's GetPopup finds it and owns it while it shows.
  controller->FilterMRUItemsPopup();
  info->FilterViewInfo()->ButtonsViewInfo()->DropDownButton()->ShowPopup();
}

void TcxCustomGridTableView::ShowFilterCustomizeDialog() { Filtering()->CustomizeFilter(nullptr); }

TClass TcxCustomGridTableView::GetFilteringClass() { return TcxCustomGridTableFiltering::StaticClass(); }

bool TcxCustomGridTableView::DoFilterDialogShow(TcxCustomGridTableItem* item) {
  bool done = false;
  if (OnFilterDialogShow) OnFilterDialogShow(this, item, done);
  return done;
}

bool TcxCustomGridTableView::DoFilterCustomization() {
  bool done = false;
  if (OnFilterCustomization) OnFilterCustomization(this, done);
  return done;
}

bool TcxCustomGridTableItem::CanFilterMRUValueItems() {
  TcxCustomGridTableView* view = GridView();
  return view && view->Filtering()->ItemMRUItemsList() && Options()->FilteringMRUItemsList();
}

TcxFilterCriteriaItem* TcxGridItemDataBinding::AddToFilter(TcxFilterCriteriaItemList* parent,
                                                          TcxFilterOperatorKind kind, bool replaceExisting,
                                                          const String& displayText, const Variant& value) {
  String text = displayText;
  if (text.empty()) text = value.IsNull() ? String() : VarToStr(value);
  Item()->DoGetFilterDisplayText(value, text);
  TcxDataFilterCriteria* filter = GetDataController()->Filter();
  if (replaceExisting) SetFiltered(false);
  return filter->AddItem(parent ? parent : filter->Root(), Item(), kind, value, text);
}

void TcxGridItemDataBinding::GetFilterValues(TcxDataFilterValueList* valueList) {
  valueList->Load(Item()->Index());
  Item()->DoGetFilterValues(valueList);
  if (!Item()->CanFilterMRUValueItems()) return;
  for (Integer i = 0; i < FilterMRUValueItems()->ItemCount(); ++i) {
    TcxGridFilterMRUValueItem* recent = FilterMRUValueItems()->Item(i);
    valueList->AddValue(fviMRU, recent->Value, recent->DisplayText);
  }
}

void TcxGridItemDataBinding::GetFilterStrings(TStrings* strings, TcxDataFilterValueList* valueList) {
  GetFilterValues(valueList);
  strings->BeginUpdate();
  Finally end{[strings] { strings->EndUpdate(); }};
  strings->Clear();
  for (Integer i = 0; i < valueList->ValueCount(); ++i) {
    TcxFilterValueItem* entry = valueList->ValueItemAt(i);
    String text = entry->DisplayText;
    Item()->DoGetFilterDisplayText(entry->Value, text);
    strings->Add(text);
  }
}

bool TcxGridItemDataBinding::Filtered() const {
  TcxCustomDataController* dc = GetDataController();
  return dc && dc->Filter()->ItemByItemLink(Item()) != nullptr;
}

void TcxGridItemDataBinding::SetFiltered(bool value) {
  if (value) return;
  TcxCustomDataController* dc = GetDataController();
  if (!dc) return;
  if (TcxCustomDataField* field = dc->FieldOfItem(Item()->Index())) dc->Filter()->RemoveField(field);
}

// ---- the view as the filter builder's link ------------------------------------------------------------

String TcxGridViewFilterLink::GetCaption(Integer index) { return view_->Items(index)->Caption(); }
Integer TcxGridViewFilterLink::GetCount() { return view_->ItemCount(); }
TcxFilterCriteria* TcxGridViewFilterLink::GetCriteria() { return view_->DataController()->Filter(); }
TObject* TcxGridViewFilterLink::GetItemLink(Integer index) { return view_->Items(index); }
String TcxGridViewFilterLink::GetItemLinkName(Integer index) { return view_->Items(index)->Name(); }

String TcxGridViewFilterLink::GetFieldName(Integer index) {
  TcxGridItemDataBinding* binding = view_->Items(index)->DataBinding();
  return binding ? binding->GetFilterFieldName() : String();
}

TcxCustomEditProperties* TcxGridViewFilterLink::GetProperties(Integer index) {
  return view_->Items(index)->GetProperties();
}

TcxValueTypeClass TcxGridViewFilterLink::GetValueType(Integer index) {
  TcxGridItemDataBinding* binding = view_->Items(index)->DataBinding();
  return binding ? binding->GetValueTypeClass() : nullptr;
}

// ---- the item filter drop-down ----------------------------------------------------------------------

void TcxGridFilterPopupListBox::PaintItem(TcxCanvas* canvas, Integer index, const TRect& rect,
                                          TOwnerDrawState state) {
  auto* popup = dynamic_cast<TcxGridFilterPopup*>(Popup());
  TcxDataFilterValueList* list = popup ? popup->ValueList() : nullptr;
  if (!list || index >= list->ValueCount() || list->ValueItemAt(index)->Kind != fviMRUSeparator) {
    TcxGridPopupListBox::PaintItem(canvas, index, rect, state);
    return;
  }
  canvas->FillRectColor(rect, clWindow);
  const Integer y = (rect.Top + rect.Bottom - 3) / 2;
  canvas->FillRectColor(TRect(rect.Left, y, rect.Right, y + 1), clBtnShadow);
  canvas->FillRectColor(TRect(rect.Left, y + 2, rect.Right, y + 3), clBtnShadow);
}

TcxGridFilterPopup::TcxGridFilterPopup(TcxCustomGridView* gridView)
    : TcxCustomGridPopup(gridView), strings_(std::make_unique<TStringList>()) {
  // Opens leftwards from the filter button: the right edges line up.
  SetHorzAlignment(2);
  listBox_ = new TcxGridFilterPopupListBox(this);
  listBox_->OnItemClick = [this](TcxGridPopupListBox*, Integer index) { ApplyEntry(index); };
}

TcxGridFilterPopup::~TcxGridFilterPopup() = default;

void TcxGridFilterPopup::InitPopup() {
  if (auto* provider = dynamic_cast<IcxGridFilterItemProvider*>(PopupOwner())) item_ = provider->GetFilterItem();
  PushHourglassCursor();
  Finally pop{[] { PopHourglassCursor(); }};
  TcxCustomGridPopup::InitPopup();
  FillStrings();
  InitListBox();
  listBox_->Items()->Assign(strings_.get());
  listBox_->SetItemIndex(GetCurrentEntryIndex());
}

void TcxGridFilterPopup::FillStrings() {
  valueList_.reset(TableView()->DataController()->Filter()->CreateValueList());
  if (item_ && item_->DataBinding()) item_->DataBinding()->GetFilterStrings(strings_.get(), valueList_.get());
  else strings_->Clear();
}

void TcxGridFilterPopup::InitListBox() {
  TcxCustomGridTableFiltering* filtering = TableView()->Filtering();
  listBox_->MaxVisibleItemCount = filtering->ItemPopupMaxDropDownItemCount();
  listBox_->MaxWidth = filtering->ItemPopupDropDownWidth();
  listBox_->AdjustSize(strings_.get());
}

Integer TcxGridFilterPopup::GetCurrentEntryIndex() {
  if (!item_ || !valueList_) return -1;
  TcxFilterCriteriaItem* condition = TableView()->DataController()->Filter()->ItemByItemLink(item_);
  return valueList_->IndexOfCondition(condition);
}

void TcxGridFilterPopup::ApplyEntry(Integer index) {
  if (index < 0 || !item_ || !valueList_ || index >= valueList_->ValueCount()) return;
  const TcxFilterValueItem entry = *valueList_->ValueItemAt(index);
  TcxCustomGridTableView* view = TableView();
  TcxGridItemDataBinding* binding = item_->DataBinding();
  TcxDataFilterCriteria* filter = view->DataController()->Filter();
  if (entry.Kind == fviCustom) {
    // The dialogs run outside the filter's lock: what they apply is seen at once.
    view->Filtering()->CustomizeFilter(item_);
    return;
  }
  TcxGridFilterMRUItems* recent = view->Filtering()->MRUItems();
  recent->BeginUpdate();
  Finally endRecent{[recent] { recent->EndUpdate(); }};
  {
    // The bracket closes also on failure; the recent filters then stay as they were.
    filter->LockChanges();
    Finally unlock{[filter] { filter->UnlockChanges(); }};
    if (entry.Kind > fviCustom) filter->SetActive(true);
    switch (entry.Kind) {
      case fviAll: binding->SetFiltered(false); break;
      case fviBlanks:
      case fviNonBlanks:
        binding->AddToFilter(nullptr, entry.Kind == fviBlanks ? foEqual : foNotEqual, true,
                             LoadReplaceableResString(scxGridFilterBlankDisplayText), Null());
        break;
      case fviUser: item_->DoUserFiltering(entry.Value, entry.DisplayText); break;
      case fviValue:
      case fviMRU:
        binding->AddToFilter(nullptr, foEqual, true, entry.DisplayText, entry.Value);
        binding->FilterMRUValueItems()->SetCapacityLimit(view->Filtering()->ItemMRUItemsListCount());
        binding->FilterMRUValueItems()->Add(entry.Value, entry.DisplayText);
        break;
      default: break;
    }
  }
  if (entry.Kind != fviUser) view->Filtering()->AddToMRU();
}

void TcxGridFilterPopup::FireClosed() {
  listBox_->ClearItems();
  TcxCustomGridPopup::FireClosed();
}

// ---- the drop-down of recent filters ------------------------------------------------------------------

TcxGridFilterMRUItemsPopup::TcxGridFilterMRUItemsPopup(TcxCustomGridView* gridView) : TcxCustomGridPopup(gridView) {
  listBox_ = new TcxGridPopupListBox(this);
  listBox_->OnItemClick = [this](TcxGridPopupListBox*, Integer index) { ApplyItem(index); };
}

void TcxGridFilterMRUItemsPopup::InitPopup() {
  TcxCustomGridPopup::InitPopup();
  listBox_->TextOffsetVert = 2;
  listBox_->MaxVisibleItemCount = TableView()->Filtering()->MRUItemsListDropDownCount();
  FillList(listBox_->Items());
  listBox_->AdjustSize();
}

void TcxGridFilterMRUItemsPopup::FillList(TStrings* strings) {
  TcxGridFilterMRUItems* items = TableView()->Filtering()->MRUItems();
  items->RefreshVisibleItems();
  strings->BeginUpdate();
  Finally end{[strings] { strings->EndUpdate(); }};
  strings->Clear();
  for (Integer i = 0; i < items->VisibleCount(); ++i) strings->Add(items->VisibleItems(i)->Caption());
}

void TcxGridFilterMRUItemsPopup::ApplyItem(Integer index) {
  TcxGridFilterMRUItems* items = TableView()->Filtering()->MRUItems();
  if (index < 0 || index >= items->VisibleCount()) return;
  TcxDataFilterCriteria* filter = TableView()->DataController()->Filter();
  items->BeginUpdate();
  Finally endRecent{[items] { items->EndUpdate(); }};
  // The item may be trimmed away by the addition: its stream is taken first.
  filter->AssignItems(items->VisibleItems(index)->Filter());
  TableView()->Filtering()->AddToMRU();
}

// ---- the table controller's drop-downs ---------------------------------------------------------------

TClass TcxCustomGridTableController::GetFilterPopupClass() { return TcxGridFilterPopup::StaticClass(); }
TClass TcxCustomGridTableController::GetFilterMRUItemsPopupClass() { return TcxGridFilterMRUItemsPopup::StaticClass(); }
TClass TcxCustomGridTableController::GetItemsCustomizationPopupClass() {
  return TcxCustomGridItemsCustomizationPopup::StaticClass();
}

TcxGridFilterPopup* TcxCustomGridTableController::FilterPopup() {
  if (!filterPopup_) filterPopup_ = static_cast<TcxGridFilterPopup*>(GetFilterPopupClass()->Create(GridView()));
  return filterPopup_;
}

TcxGridFilterMRUItemsPopup* TcxCustomGridTableController::FilterMRUItemsPopup() {
  if (!filterMRUItemsPopup_)
    filterMRUItemsPopup_ = static_cast<TcxGridFilterMRUItemsPopup*>(GetFilterMRUItemsPopupClass()->Create(GridView()));
  return filterMRUItemsPopup_;
}

TcxCustomGridItemsCustomizationPopup* TcxCustomGridTableController::ItemsCustomizationPopup() {
  if (!itemsCustomizationPopup_)
    itemsCustomizationPopup_ =
        static_cast<TcxCustomGridItemsCustomizationPopup*>(GetItemsCustomizationPopupClass()->Create(GridView()));
  return itemsCustomizationPopup_;
}

void TcxCustomGridTableController::FreePopups() {
  FreeAndNil(filterPopup_);
  FreeAndNil(filterMRUItemsPopup_);
  FreeAndNil(itemsCustomizationPopup_);
}
