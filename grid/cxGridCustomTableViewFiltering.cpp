// The record-based view's side of the data navigator (its buttons and the IcxNavigator
// answers) and the filter with its recent filters in the view's stored layout. The filter
// options themselves live in cxGridFilterBox and cxGridFilterPopup.
#include <algorithm>

#include "editors-extra/cxExtEditUtils.h"
#include "grid/cxGrid.h"
#include "grid/cxGridCustomTableController.h"
#include "grid/cxGridCommon.h"
#include "grid/cxGridCustomTableView.h"
#include "grid/cxGridFilterPopup.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "rtl/Variants.h"

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
    case NBDI_FILTER: Filtering()->CustomizeFilter(nullptr); break;
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
    if (Filtering()->MRUItemsList())
      for (Integer n = Filtering()->MRUItems()->ItemCount() - 1; n >= 0; --n)
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
    TcxGridFilterMRUItems* mru = Filtering()->MRUItems();
    if (n >= 0 && n < mru->ItemCount()) value = Variant(FilterAsHexText(mru->Item(n)->Filter()));
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
      Filtering()->MRUItems()->Add(filter);
    } catch (...) {
      delete filter;
      throw;
    }
    delete filter;
  } else {
    TcxCustomGridView::SetStoredPropertyValue(name, value);
  }
}
