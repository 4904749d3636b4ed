// The record-based view's filter options (the filter box bar's settings, the filtering
// settings of the item drop-downs and the list of recent filters) and the view's side of the
// data navigator (its buttons and the IcxNavigator answers).
#include <algorithm>

#include "editors-extra/cxExtEditUtils.h"
#include "grid/cxGrid.h"
#include "grid/cxGridCustomTableController.h"
#include "grid/cxGridCommon.h"
#include "grid/cxGridCustomTableView.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "rtl/Variants.h"

namespace {

PTypeInfo FilterPositionType() { return EnumTypeInfo("TcxGridFilterPosition", {"fpTop", "fpBottom"}); }
PTypeInfo FilterVisibleType() {
  return EnumTypeInfo("TcxGridFilterVisible", {"fvNever", "fvNonEmpty", "fvAlways"});
}


Integer NotNegative(Integer v) { return v < 0 ? 0 : v; }

// An identifier of the type read from a form description; an unknown one is refused.
Integer ReadEnumIdent(TReader& reader, PTypeInfo type, const char* name) {
  const String ident = reader.ReadIdent();
  const Int64 value = GetEnumValue(type, ident);
  if (value < 0) throw EPropertyError("Invalid property value " + ident + " for '" + name + "'");
  return Integer(value);
}

}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridFilterBox) {
  using F = TcxGridFilterBox;
  p.Bool("CustomizeDialog", &F::CustomizeDialog, &F::SetCustomizeDialog).Default(true);
  p.Int("MRUItemsListDropDownCount", &F::MRUItemsListDropDownCount, &F::SetMRUItemsListDropDownCount).Default(0);
  p.Enum("Position", &F::Position, &F::SetPosition, FilterPositionType()).Default(fpBottom);
  p.Enum("Visible", &F::Visible, &F::SetVisible, FilterVisibleType()).Default(fvNonEmpty);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomGridTableFiltering) {
  using F = TcxCustomGridTableFiltering;
  p.Bool("MRUItemsList", &F::MRUItemsList, &F::SetMRUItemsList).Default(true);
  p.Int("MRUItemsListCount", &F::MRUItemsListCount, &F::SetMRUItemsListCount).Default(10);
}

// ---- the filter box options ------------------------------------------------------------------

void TcxGridFilterBox::SetCustomizeDialog(bool v) {
  if (GridStoreOption(customizeDialog_, v)) Changed(1);
}
void TcxGridFilterBox::SetMRUItemsListDropDownCount(Integer v) {
  if (GridStoreOption(mruItemsListDropDownCount_, NotNegative(v))) Changed(0);
}
void TcxGridFilterBox::SetPosition(TcxGridFilterPosition v) {
  if (GridStoreOption(position_, v)) Changed(1);
}
void TcxGridFilterBox::SetVisible(TcxGridFilterVisible v) {
  if (GridStoreOption(visible_, v)) Changed(2);
}

void TcxGridFilterBox::AssignFrom(TPersistent* source) {
  TcxCustomGridOptions::AssignFrom(source);
  if (auto* s = dynamic_cast<TcxGridFilterBox*>(source)) {
    SetCustomizeDialog(s->customizeDialog_);
    SetMRUItemsListDropDownCount(s->mruItemsListDropDownCount_);
    SetPosition(s->position_);
    SetVisible(s->visible_);
  }
}

// ---- recent filters --------------------------------------------------------------------------

TcxGridFilterMRUItem::~TcxGridFilterMRUItem() { delete filter_; }

String TcxGridFilterMRUItem::Caption() const { return filter_->FilterCaptionText(); }

bool TcxGridFilterMRUItem::IsEqual(const TcxMRUItem* item) const {
  auto* other = dynamic_cast<const TcxGridFilterMRUItem*>(item);
  return other && filter_->SameItemsAs(other->filter_);
}

void TcxGridFilterMRUItems::Add(TcxDataFilterCriteria* criteria) {
  if (!criteria || criteria->IsEmpty()) return;
  TcxCustomDataController* dc = filtering_->TableView()->DataController();
  TcxDataFilterCriteria* copy = dc->CreateFilter();
  try {
    copy->AssignItems(criteria);
  } catch (...) {
    delete copy;
    throw;
  }
  // An equal filter already listed moves to the top and the copy is freed.
  AddToTop(new TcxGridFilterMRUItem(copy));
  RefreshVisibleItems();
}

void TcxGridFilterMRUItems::RefreshVisibleItems() {
  const Integer oldCount = VisibleCount();
  visible_.clear();
  TcxCustomDataController* dc = filtering_->TableView()->DataController();
  TcxDataFilterCriteria* current = dc ? dc->Filter() : nullptr;
  for (Integer i = 0; i < Count(); ++i)
    if (!current || !Items(i)->Filter()->SameItemsAs(current)) visible_.push_back(Items(i));
  if (VisibleCount() != oldCount) filtering_->MRUVisibleCountChanged(oldCount, VisibleCount());
}

void TcxGridFilterMRUItems::DeleteEmptyItems() {
  bool deleted = false;
  for (Integer i = Count() - 1; i >= 0; --i)
    if (Items(i)->Filter()->IsEmpty()) {
      RemoveAt(int(i));
      deleted = true;
    }
  if (deleted) RefreshVisibleItems();
}

// ---- the filtering options -----------------------------------------------------------------

TcxCustomGridTableFiltering::TcxCustomGridTableFiltering(TcxCustomGridView* v) : TcxCustomGridOptions(v) {
  mruItems_ = new TcxGridFilterMRUItems(this);
  mruItems_->SetCapacityLimit(mruItemsListCount_ + 1);
}

TcxCustomGridTableFiltering::~TcxCustomGridTableFiltering() { delete mruItems_; }

TcxCustomGridTableView* TcxCustomGridTableFiltering::TableView() const {
  return static_cast<TcxCustomGridTableView*>(GridView());
}

void TcxCustomGridTableFiltering::SetItemMRUItemsList(bool v) {
  if (GridStoreOption(itemMRUItemsList_, v)) Changed(0);
}

void TcxCustomGridTableFiltering::SetItemMRUItemsListCount(Integer v) {
  if (!GridStoreOption(itemMRUItemsListCount_, NotNegative(v))) return;
  TcxCustomGridTableView* view = TableView();
  for (Integer i = 0; i < view->ItemCount(); ++i)
    if (TcxGridItemDataBinding* binding = view->Items(i)->DataBinding())
      binding->FilterMRUValueItems()->SetCapacityLimit(int(itemMRUItemsListCount_));
  Changed(0);
}

void TcxCustomGridTableFiltering::SetItemPopupDropDownWidth(Integer v) {
  if (GridStoreOption(itemPopupDropDownWidth_, NotNegative(v))) Changed(0);
}

void TcxCustomGridTableFiltering::SetItemPopupMaxDropDownItemCount(Integer v) {
  if (GridStoreOption(itemPopupMaxDropDownItemCount_, NotNegative(v))) Changed(0);
}

void TcxCustomGridTableFiltering::SetMRUItemsList(bool v) {
  if (GridStoreOption(mruItemsList_, v)) Changed(2);
}

void TcxCustomGridTableFiltering::SetMRUItemsListCount(Integer v) {
  if (!GridStoreOption(mruItemsListCount_, NotNegative(v))) return;
  // The current filter normally heads the list without being shown: one more than shown.
  mruItems_->SetCapacityLimit(mruItemsListCount_ > 0 ? int(mruItemsListCount_ + 1) : 0);
  Changed(0);
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

void TcxCustomGridTableFiltering::AddToMRU(TcxDataFilterCriteria* criteria) {
  if (!criteria) criteria = TableView()->DataController()->Filter();
  mruItems_->Add(criteria);
}

void TcxCustomGridTableFiltering::FilterChanged() { mruItems_->RefreshVisibleItems(); }

bool TcxCustomGridTableFiltering::IsMRUItemsListAvailable() {
  return mruItemsList_ && mruItems_->VisibleCount() > 0;
}

void TcxCustomGridTableFiltering::MRUVisibleCountChanged(Integer oldCount, Integer newCount) {
  // The filter box bar gains or loses its drop-down button.
  if (mruItemsList_ && (oldCount == 0 || newCount == 0)) Changed(2);
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
        box->SetPosition(TcxGridFilterPosition(ReadEnumIdent(r, FilterPositionType(), "Position")));
      },
      nullptr, false);
  filer->DefineProperty(
      "Visible",
      [box](TReader& r) { box->SetVisible(TcxGridFilterVisible(ReadEnumIdent(r, FilterVisibleType(), "Visible"))); },
      nullptr, false);
}

// ---- the view: options, navigator and the filter's recent list --------------------------------

void TcxCustomGridTableView::CreateHandlers() {
  navigatorNotifier_ = new TcxNavigatorControlNotifier();
  TcxCustomGridView::CreateHandlers();
  navigatorButtons_ = new TcxNavigatorControlButtons(GetNavigatorOwner());
  navigatorButtons_->GetNavigator = [this]() -> IcxNavigator* { return this; };
  navigatorButtons_->SetConfirmDelete(false);
}

IcxNavigatorOwner* TcxCustomGridTableView::GetNavigatorOwner() {
  return dynamic_cast<IcxNavigatorOwner*>(ViewInfo());
}

void TcxCustomGridTableView::UpdateNavigatorState() {
  navigatorNotifier_->RefreshNavigatorButtons();
  if (IcxNavigatorOwner* owner = GetNavigatorOwner()) owner->NavigatorStateChanged();
  TcxCustomGrid* grid = Control();
  if (grid && grid->FocusedView() == this) grid->NavigatorNotifier()->RefreshNavigatorButtons();
}

void TcxCustomGridTableView::FilterChanged() {
  if (filtering_) filtering_->FilterChanged();
}

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

namespace {

TcxCustomGridTableController* TableController(TcxCustomGridTableView* view) {
  return dynamic_cast<TcxCustomGridTableController*>(view->Controller());
}

}  // namespace

bool TcxCustomGridTableView::CanDelete() {
  TcxCustomGridTableController* c = TableController(this);
  return c && c->CanDelete(true);
}
bool TcxCustomGridTableView::CanEdit() {
  TcxCustomGridTableController* c = TableController(this);
  return c && c->CanEdit();
}
bool TcxCustomGridTableView::CanInsert() {
  TcxCustomGridTableController* c = TableController(this);
  return c && c->CanInsert(true);
}
bool TcxCustomGridTableView::IsActive() { return DataController() && DataController()->Active(); }
bool TcxCustomGridTableView::IsBof() {
  TcxCustomGridTableController* c = TableController(this);
  return c && c->IsAtFirstRecord();
}
bool TcxCustomGridTableView::IsEof() {
  TcxCustomGridTableController* c = TableController(this);
  return c && c->IsAtLastRecord();
}
bool TcxCustomGridTableView::IsBookmarkAvailable() { return DataController()->IsBookmarkAvailable(); }
bool TcxCustomGridTableView::IsEditing() { return DataController()->IsEditing(); }
void TcxCustomGridTableView::ClearBookmark() { DataController()->ClearBookmark(); }

void TcxCustomGridTableView::DoAction(Integer buttonIndex) {
  TcxCustomGridTableController* c = TableController(this);
  TcxCustomDataController* dc = DataController();
  if (!c) return;
  switch (buttonIndex) {
    case NBDI_FIRST: c->GoToFirstRecord(); break;
    case NBDI_PRIORPAGE: c->FocusPrevPage(true); break;
    case NBDI_PRIOR: c->GoToPrevRecord(false, true); break;
    case NBDI_NEXT: c->GoToNextRecord(false, true); break;
    case NBDI_NEXTPAGE: c->FocusNextPage(true); break;
    case NBDI_LAST: c->GoToLastRecord(false); break;
    case NBDI_INSERT: c->CreateNewRecord(false); break;
    case NBDI_DELETE: c->DeleteSelection(); break;
    case NBDI_EDIT:
      dc->Edit();
      if (TcxCustomGridTableItem* item = c->FocusedItem()) item->SetEditing(true);
      break;
    case NBDI_POST:
      c->EditingController()->UpdateValue();
      dc->Post();
      break;
    case NBDI_CANCEL: dc->Cancel(); break;
    case NBDI_REFRESH: dc->RefreshExternalData(); break;
    case NBDI_SAVEBOOKMARK: dc->SaveBookmark(); break;
    case NBDI_GOTOBOOKMARK:
      if (dc->IsBookmarkAvailable()) dc->GotoBookmark();
      break;
    case NBDI_FILTER:
      if (!DoFilterDialogShow(nullptr)) DoFilterCustomization();
      break;
    default: break;
  }
}

// ---- the view: the filter in the stored layout ----------------------------------------------

namespace {

const char kFilterMRUItem[] = "FilterMRUItem";
constexpr size_t kFilterMRUItemLength = sizeof(kFilterMRUItem) - 1;

String FilterAsHexText(TcxFilterCriteria* filter) {
  TMemoryStream stream;
  filter->StoreToStream(stream);
  return EncodeStreamAsHexText(&stream);
}

void ReadFilterFromHexText(TcxFilterCriteria* filter, const String& text) {
  TMemoryStream stream;
  DecodeHexTextToStream(text, &stream);
  stream.SetPosition(0);
  filter->ReadData(stream);
}

bool IsFilterMRUName(const String& name) {
  return name.size() > kFilterMRUItemLength && name.compare(0, kFilterMRUItemLength, kFilterMRUItem) == 0;
}

}  // namespace

void TcxCustomGridTableView::GetStoredProperties(TStrings* properties) {
  if (StoresFilter) {
    properties->Add("FilterActive");
    properties->Add("Filter");
    if (filtering_->MRUItemsList())
      for (Integer n = filtering_->MRUItems()->Count() - 1; n >= 0; --n)
        properties->Add(kFilterMRUItem + IntToStr(n));
  }
  TcxCustomGridView::GetStoredProperties(properties);
}

void TcxCustomGridTableView::GetStoredPropertyValue(const String& name, Variant& value) {
  if (StoresFilter && name == "FilterActive") {
    value = Variant(DataController()->Filter()->Active());
  } else if (StoresFilter && name == "Filter") {
    value = Variant(FilterAsHexText(DataController()->Filter()));
  } else if (StoresFilter && IsFilterMRUName(name)) {
    const Integer n = StrToInt(name.substr(kFilterMRUItemLength));
    TcxGridFilterMRUItems* mru = filtering_->MRUItems();
    if (n >= 0 && n < mru->Count()) value = Variant(FilterAsHexText(mru->Items(n)->Filter()));
  } else {
    TcxCustomGridView::GetStoredPropertyValue(name, value);
  }
}

void TcxCustomGridTableView::SetStoredPropertyValue(const String& name, const Variant& value) {
  if (StoresFilter && name == "FilterActive") {
    DataController()->Filter()->SetActive(ParseBooleanText(VarToStr(value)));
  } else if (StoresFilter && name == "Filter") {
    ReadFilterFromHexText(DataController()->Filter(), VarToStr(value));
  } else if (StoresFilter && IsFilterMRUName(name)) {
    // Restored from the highest number down, the list ends in its stored order.
    TcxDataFilterCriteria* filter = DataController()->CreateFilter();
    try {
      ReadFilterFromHexText(filter, VarToStr(value));
      filtering_->MRUItems()->Add(filter);
    } catch (...) {
      delete filter;
      throw;
    }
    delete filter;
  } else {
    TcxCustomGridView::SetStoredPropertyValue(name, value);
  }
}
