// The data-set pivot grid.
#include "pivotgrid/cxDBPivotGrid.h"

#include "foundation/cxClasses.h"
#include "rtl/TypInfo.h"

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxDBPivotGridFieldDataBinding) {
  using B = TcxDBPivotGridFieldDataBinding;
  p.Str("FieldName", &B::FieldName, &B::SetFieldName);
}

// The data binding is redeclared with the data-set binding class (its field name).
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxDBPivotGridField) {
  using F = TcxDBPivotGridField;
  p.Object("DataBinding", &F::DataBinding, &F::SetDataBinding, TcxDBPivotGridFieldDataBinding::StaticClass());
}

KORVAN_IMPLEMENT_CLASS(TcxCustomDBPivotGrid)

void InitializeCxDBPivotGrid() {
  InitUnit("cxDBPivotGrid", [] {
    InitializeCxCustomPivotGrid();
    InitializeDB();
    RegisterClass(TcxDBPivotGrid::StaticClass());
    RegisterClass(TcxDBPivotGridField::StaticClass());
  });
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxDBPivotGrid) {
  using G = TcxDBPivotGrid;
  p.Object("DataSource", &G::DataSource, &G::SetDataSource, TDataSource::StaticClass());
  p.Object("FieldHeaderImages", &G::FieldHeaderImages, &G::SetFieldHeaderImages, TCustomImageList::StaticClass());
  p.Object("GroupHeaderImages", &G::GroupHeaderImages, &G::SetGroupHeaderImages, TCustomImageList::StaticClass());
}

// ---- binding and field ---------------------------------------------------------------------------------

TcxDBPivotGridDataController* TcxDBPivotGridFieldDataBinding::Controller() const {
  TcxCustomPivotGrid* g = Field()->PivotGrid();
  return g ? dynamic_cast<TcxDBPivotGridDataController*>(g->DataController()) : nullptr;
}

String TcxDBPivotGridFieldDataBinding::FieldName() const {
  TcxDBPivotGridDataController* c = Controller();
  return c && Field()->Index() >= 0 ? c->ItemFieldName(Field()->Index()) : fieldName_;
}

void TcxDBPivotGridFieldDataBinding::SetFieldName(const String& name) {
  fieldName_ = name;
  if (TcxDBPivotGridDataController* c = Controller()) c->ChangeItemFieldName(Field()->Index(), name);
}

TField* TcxDBPivotGridFieldDataBinding::DataSetField() const {
  TcxDBPivotGridDataController* c = Controller();
  return c && Field()->Index() >= 0 ? c->ItemDataSetField(Field()->Index()) : nullptr;
}

String TcxDBPivotGridFieldDataBinding::DisplayName() const {
  TField* f = DataSetField();
  return f ? f->DisplayName() : FieldName();
}

void TcxDBPivotGridFieldDataBinding::Assign(TPersistent* source) {
  if (auto* b = dynamic_cast<TcxDBPivotGridFieldDataBinding*>(source)) SetFieldName(b->FieldName());
  TcxPivotGridFieldDataBinding::Assign(source);
}

String TcxDBPivotGridField::GetCaption() {
  if (!IsCaptionAssigned() && !DataBinding()->FieldName().empty()) return DataBinding()->DisplayName();
  return TcxPivotGridField::GetCaption();
}

String TcxDBPivotGridField::GetDisplayFormat() {
  String f = TcxPivotGridField::GetDisplayFormat();
  if (f.empty())
    if (auto* n = dynamic_cast<TNumericField*>(DataBinding()->DataSetField())) f = n->DisplayFormat();
  return f;
}

bool TcxDBPivotGridField::IsCurrencyValueType(TcxValueTypeClass valueTypeClass) {
  TField* f = DataBinding()->DataSetField();
  if (auto* x = dynamic_cast<TFloatField*>(f)) return x->Currency();
  if (auto* x = dynamic_cast<TBCDField*>(f)) return x->Currency();
  if (auto* x = dynamic_cast<TAggregateField*>(f)) return x->Currency();
  return TcxPivotGridField::IsCurrencyValueType(valueTypeClass);
}

TcxPivotGridDataBuilder* TcxDBPivotGridField::GetDataBuilder() {
  return PivotGrid() ? PivotGrid()->DataBuilder() : nullptr;
}

// ---- grid --------------------------------------------------------------------------------------------------

TcxCustomDBPivotGrid::TcxCustomDBPivotGrid(TComponent* owner) : TcxCustomPivotGrid(owner) {
  InitializeCxDBPivotGrid();
  // The base constructor reached only the base factory.
  dataController_.reset(CreateDataController());
}

TcxCustomDataController* TcxCustomDBPivotGrid::CreateDataController() { return new TcxDBPivotGridDataController(this); }

TDataSource* TcxCustomDBPivotGrid::DataSource() const { return DBDataController()->DataSource(); }

void TcxCustomDBPivotGrid::SetDataSource(TDataSource* value) {
  if (DataSource() != value) DBDataController()->SetDataSource(value);
}

bool TcxCustomDBPivotGrid::CanRetrieveFields(bool& isActive) {
  TDataSource* s = DataSource();
  isActive = s && s->DataSet() && s->DataSet()->Active();
  return true;
}

void TcxCustomDBPivotGrid::CreateAllFields() {
  TDataSource* s = DataSource();
  TDataSet* ds = s ? s->DataSet() : nullptr;
  if (!ds || ds->FieldCount() == 0) return;
  BeginUpdate();
  try {
    for (int i = 0; i < ds->FieldCount(); ++i) {
      TField* df = ds->Fields()->Fields(i);
      auto* f = static_cast<TcxDBPivotGridField*>(CreateField());
      f->DataBinding()->SetFieldName(df->FieldName());
      if (TComponent* owner = Owner())
        f->SetName(GenerateUniqueComponentName(owner, this, f, String(), df->FieldName()));
      f->SetArea(faFilter);
      f->SetVisible(true);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TcxDBPivotGrid::TcxDBPivotGrid(TComponent* owner) : TcxCustomDBPivotGrid(owner) {}
