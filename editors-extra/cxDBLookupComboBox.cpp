#include "editors-extra/cxDBLookupComboBox.h"

#include "editors-extra/cxEditDBRegisteredRepositoryItems.h"
#include "editors/cxEditPaintUtils.h"
#include "editors/cxFilterControlUtils.h"
#include "editors/cxEditRegisteredRepositoryItems.h"
#include "foundation/cxClasses.h"
#include "rtl/SysUtils.h"

KORVAN_IMPLEMENT_CLASS(TcxLookupComboBoxProperties)
KORVAN_IMPLEMENT_CLASS(TcxCustomLookupComboBox)
KORVAN_IMPLEMENT_CLASS(TcxLookupComboBox)
KORVAN_IMPLEMENT_CLASS(TcxEditRepositoryLookupComboBoxItem)
KORVAN_IMPLEMENT_CLASS(TcxFilterLookupComboBoxHelper)

namespace {
const TcxResourceStringRec scxSEditRepositoryLookupComboBoxItem = {
    "scxSEditRepositoryLookupComboBoxItem", "LookupComboBox|Represents a lookup combo box control"};
}  // namespace

TcxLookupComboBoxProperties::TcxLookupComboBoxProperties(TPersistent* owner)
    : TcxCustomDBLookupEditProperties(owner) {
  grid_ = new TcxLookupDBGrid(nullptr);
  grid_->SetPopupMode(true);
  grid_->Options()->OnChanged = [this](TObject* sender) { ListOptionsChanged(sender); };
  AttachListDataChanged();
}

TcxLookupComboBoxProperties::~TcxLookupComboBoxProperties() {
  DetachListDataChanged();
  delete grid_;
  grid_ = nullptr;
}

void TcxLookupComboBoxProperties::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TcxLookupComboBoxProperties*>(source);
  if (!src) {
    TcxCustomDBLookupEditProperties::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    SetGridMode(src->GridMode());
    SetListOptions(src->ListOptions());
    if (!IsDefinedByLookup()) {
      SetListSource(src->ListSource());
      SetListColumns(src->ListColumns());
    }
    SetOnSortingChanged(src->OnSortingChanged());
    TcxCustomDBLookupEditProperties::Assign(source);
    if (IsDefinedByLookup()) SetListColumns(src->ListColumns());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TClass TcxLookupComboBoxProperties::GetContainerClass() { return TcxLookupComboBox::StaticClass(); }

TDataSource* TcxLookupComboBoxProperties::ListSource() { return IsDefinedByLookup() ? nullptr : grid_->DataSource(); }

void TcxLookupComboBoxProperties::SetListSource(TDataSource* v) {
  CheckNotDefinedByLookup();
  if (v) {
    if (TField* bound = BoundField()) CheckCircularLink(v, bound->DataSet());
  }
  grid_->SetDataSource(v);
  NotifyPropertiesChanged();
}

void TcxLookupComboBoxProperties::SetListColumns(TcxLookupDBGridColumns* v) {
  ListColumns()->Assign(v);
  SyncListResultColumn();
  ValidateListIndex();
}

String TcxLookupComboBoxProperties::ListFieldNames() const {
  String names;
  for (Integer i = 0; i < ListColumns()->Count(); ++i) {
    if (i) names += ";";
    names += ListColumns()->Column(i)->FieldName();
  }
  return names;
}

void TcxLookupComboBoxProperties::SetListFieldNames(const String& v) {
  const bool differs = v != ListFieldNames();
  // Rebuilding the columns is no list data change of its own.
  LockLookup();
  BeginListColumnsUpdate();
  try {
    CreateListColumns(v);
    SyncListResultColumn();
    ValidateListIndex();
  } catch (...) {
    EndListColumnsUpdate();
    UnlockLookup();
    throw;
  }
  EndListColumnsUpdate();
  UnlockLookup();
  if (differs) NotifyPropertiesChanged();
}

Integer TcxLookupComboBoxProperties::GetListPreferredWidth() {
  Integer width = 0;
  for (Integer i = 0; i < ListColumns()->Count(); ++i) width += ListColumns()->Column(i)->Width();
  return width;
}

void TcxLookupComboBoxProperties::SetListHandlers(TNotifyEvent selection, TNotifyEvent spare,
                                                  TcxCustomLookupGrid::TCloseRequestEvent closeRequest) {
  grid_->OnSelectionNotify = std::move(selection);
  grid_->OnFurtherNotify = std::move(spare);
  grid_->OnCloseRequest = std::move(closeRequest);
}

void TcxLookupComboBoxProperties::ApplyListAppearance(TcxLookAndFeel* lookAndFeel, TColor color, TFont* font) {
  grid_->LookAndFeel()->AttachToMaster(lookAndFeel);
  grid_->SetColor(color);
  if (font) grid_->Font()->Assign(font);
}

void TcxLookupComboBoxProperties::AddListColumn(const String& fieldName) {
  if (fieldName.empty() || ListColumns()->FindByFieldName(fieldName)) return;
  TcxLookupDBGridColumn* c = ListColumns()->AddColumn();
  c->SetFieldName(fieldName);
  c->SetIndex(0);
}

Integer TcxLookupComboBoxProperties::FindListColumnByFieldName(const String& name) {
  TcxLookupDBGridColumn* c = ListColumns()->FindByFieldName(name);
  return c ? c->Index() : -1;
}

bool TcxFilterLookupComboBoxHelper::KeepsDefaultValuesProvider(TcxCustomEditProperties* source) const {
  auto* p = dynamic_cast<TcxCustomLookupEditProperties*>(source);
  return p && p->IsDefinedByLookup();
}

void TcxFilterLookupComboBoxHelper::GetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties*, Variant& value,
                                                   String& displayText) const {
  auto* lookup = dynamic_cast<TcxCustomLookupEdit*>(edit);
  value = edit->EditValue();
  displayText = lookup ? lookup->LookupEditData()->ItemTextForKey(value) : String();
}

void TcxFilterLookupComboBoxHelper::SupportedOperators(TcxCustomEditProperties*, TcxValueTypeClass,
                                                       TcxFilterControlOperators& operators, bool) const {
  operators = {1, 2, 9, 10};  // equals, does not equal, is blank, is not blank
}

void TcxFilterLookupComboBoxHelper::PrepareFilterProperties(TcxCustomEditProperties* properties,
                                                            TcxCustomEditProperties* source, bool keepButtons) const {
  TcxFilterComboBoxHelper::PrepareFilterProperties(properties, source, keepButtons);
  auto* p = dynamic_cast<TcxCustomLookupEditProperties*>(properties);
  if (!p) return;
  p->SetDropDownAutoSize(true);
  p->SetDropDownListStyle(lsFixedList);
  p->SetDropDownSizeable(true);
  p->SetIncrementalFiltering(true);
}

void InitializeCxDBLookupComboBox() {
  InitUnit(
      "cxDBLookupComboBox",
      [] {
        InitializeCxLookupEdit();
        InitializeCxEditDBRegisteredRepositoryItems();
        RegisterClass(TcxLookupComboBox::StaticClass());
        RegisterClass(TcxLookupComboBoxProperties::StaticClass());
        RegisterClass(TcxEditRepositoryLookupComboBoxItem::StaticClass());
        EditPropertiesRegistry()->AddDescribedClass(TcxLookupComboBoxProperties::StaticClass(),
                                                    LoadReplaceableResString(scxSEditRepositoryLookupComboBoxItem));
        FilterEditsController()->RegisterHelper(TcxLookupComboBoxProperties::StaticClass(),
                                                TcxFilterLookupComboBoxHelper::StaticClass());
        GetDefaultEditDBRepositoryItems()->RegisterLookupItem(
            -1, DefaultEditRepository()->CreateItem(TcxEditRepositoryLookupComboBoxItem::StaticClass()));
      },
      [] {
        if (EditPropertiesRegistry()) EditPropertiesRegistry()->RemoveClass(TcxLookupComboBoxProperties::StaticClass());
        FilterEditsController()->UnregisterHelper(TcxLookupComboBoxProperties::StaticClass(),
                                                  TcxFilterLookupComboBoxHelper::StaticClass());
      });
}
