#include "grid/cxGridDBDataDefinitions.h"

#include "foundation/cxControls.h"
#include "foundation/cxGraphics.h"

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridItemDBDataBinding) {
  p.Str("FieldName", &TcxGridItemDBDataBinding::FieldName, &TcxGridItemDBDataBinding::SetFieldName);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridDBDataController) {
  using C = TcxGridDBDataController;
  PublishGridDataControllerProperties(p);
  p.Object("DataSource", &C::DataSource, &C::SetDataSource, TDataSource::StaticClass());
  p.Str("DetailKeyFieldNames", &C::DetailKeyFieldNames, &C::SetDetailKeyFieldNames);
  p.Str("KeyFieldNames", &C::KeyFieldNames, &C::SetKeyFieldNames);
  p.Str("MasterKeyFieldNames", &C::MasterKeyFieldNames, &C::SetMasterKeyFieldNames);
  using HasChildren = decltype(TcxDBDataController::OnDetailHasChildren);
  p.Event("OnDetailHasChildren", static_cast<HasChildren C::*>(&TcxDBDataController::OnDetailHasChildren),
          "TcxDBDataDetailHasChildrenEvent");
}

// ---- binding ------------------------------------------------------------------------------

TcxDBDataController* TcxGridItemDBDataBinding::DBDataController() const {
  return dynamic_cast<TcxDBDataController*>(GetDataController());
}

String TcxGridItemDBDataBinding::FieldName() const {
  TcxDBDataController* dc = DBDataController();
  return dc && Item()->Index() >= 0 ? dc->ItemFieldName(Item()->Index()) : String();
}

void TcxGridItemDBDataBinding::SetFieldName(const String& value) {
  TcxDBDataController* dc = DBDataController();
  if (!dc || Item()->Index() < 0 || FieldName() == value) return;
  FilterMRUValueItems()->RemoveAll();
  dc->ChangeItemFieldName(Item()->Index(), value);
}

TField* TcxGridItemDBDataBinding::Field() const {
  TcxDBDataController* dc = DBDataController();
  return dc && Item()->Index() >= 0 ? dc->ItemDataSetField(Item()->Index()) : nullptr;
}

void TcxGridItemDBDataBinding::AssignFrom(TcxGridItemDataBinding* source) {
  if (auto* s = dynamic_cast<TcxGridItemDBDataBinding*>(source)) SetFieldName(s->FieldName());
  TcxGridItemDataBinding::AssignFrom(source);
}

String TcxGridItemDBDataBinding::GetFilterFieldName() const {
  TField* f = Field();
  return f ? f->FieldName() : String();
}

void TcxGridItemDBDataBinding::Init() {
  TcxDBDataController* dc = DBDataController();
  GridDBDefaultValuesProviderInit(DefaultValuesProvider(), dc ? dc->DataSource() : nullptr, Field(), FieldName());
}

String TcxGridItemDBDataBinding::GetDefaultCaption() const {
  TField* f = Field();
  return f ? f->DisplayName() : FieldName();
}

TcxEditRepositoryItem* TcxGridItemDBDataBinding::GetDefaultRepositoryItem() {
  return GridDefaultRepositoryItemForField(Field());
}

Integer TcxGridItemDBDataBinding::GetDefaultWidth(bool considerMinWidth) {
  Integer width = 64;
  TField* f = Field();
  TcxCustomGridTableView* view = GetGridView();
  // The content style's font comes with the item styles; the control's font until then.
  if (f && view && view->StorageControl())
    width = MeasureTextWidthInFont(view->StorageControl()->Font(), "0") * f->DisplayWidth() + 4;
  // A fixed-width item's minimum is its width, which may be this default: no minimum then.
  if (considerMinWidth && !Item()->HasFixedWidth() && width < Item()->MinWidth()) width = Item()->MinWidth();
  return width;
}

// ---- data controller ----------------------------------------------------------------------

TcxCustomGridView* TcxGridDBDataController::GetGridView() { return dynamic_cast<TcxCustomGridView*>(Owner()); }

bool TcxGridDBDataController::IsSequencedGridMode() {
  // Equal record heights are the view's answer once records are laid out; the record-based
  // views of this step all have them.
  return IsGridMode() && IsDataSetSequenced();
}

Integer TcxGridDBDataController::GetScrollBarPosition() {
  if (!IsSequencedGridMode()) return -1;
  if (!(Provider() && Provider()->IsInserting())) scrollBarPosition_ = DataSetRecNo() - 1;
  return scrollBarPosition_;
}

Integer TcxGridDBDataController::GetScrollBarRecordCount() {
  if (!IsSequencedGridMode()) return -1;
  return DataSetRecordCount() + GetRecordCount() - 1;
}

bool TcxGridDBDataController::SetScrollBarPosition(Integer value) {
  if (!IsSequencedGridMode()) return false;
  MoveDataSetToRecNo(value + 1);
  return true;
}

void TcxGridDBDataController::CreateAllItems() {
  TDataSet* ds = BoundDataSet();
  TcxCustomGridTableView* view = GridView();
  if (!ds || !view) return;
  PushHourglassCursor();
  view->BeginUpdate();
  BeginUpdateFields();
  // The visible items are listed once, after the last item is made.
  view->BeginVisibleItemsUpdate();
  try {
    for (Integer i = 0; i < ds->Fields()->Count(); ++i) {
      TField* field = ds->Fields()->Fields(i);
      TcxCustomGridTableItem* item = view->CreateItem();
      static_cast<TcxGridItemDBDataBinding*>(item->DataBinding())->SetFieldName(field->FieldName());
      item->SetName(GenerateUniqueComponentName(view->Owner(), view, item, "TcxGrid", field->FieldName()));
      item->SetVisible(field->Visible());
    }
  } catch (...) {
    view->EndVisibleItemsUpdate();
    EndUpdateFields();
    view->EndUpdate();
    PopHourglassCursor();
    throw;
  }
  view->EndVisibleItemsUpdate();
  EndUpdateFields();
  view->EndUpdate();
  PopHourglassCursor();
}

void TcxGridDBDataController::DeleteAllItems() {
  if (GridView()) GridView()->ClearItems();
}

void TcxGridDBDataController::ListFakeComponentLinks(std::vector<TComponent*>& list) {
  TDataSource* source = DataSource();
  if (!source || !source->Owner() || !GridView() || source->Owner() == GridView()->Owner()) return;
  if (std::find(list.begin(), list.end(), source->Owner()) == list.end()) list.push_back(source->Owner());
}

