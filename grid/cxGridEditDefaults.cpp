#include "grid/cxGridEditDefaults.h"

#include "editors-extra/cxEditDBRegisteredRepositoryItems.h"
#include "editors/cxEditRegisteredRepositoryItems.h"

KORVAN_IMPLEMENT_CLASS(TcxGridDefaultValuesProvider)
KORVAN_IMPLEMENT_CLASS(TcxGridDBDefaultValuesProvider)

TClass GridDefaultValuesProviderClass() { return TcxGridDefaultValuesProvider::StaticClass(); }
TClass GridDBDefaultValuesProviderClass() { return TcxGridDBDefaultValuesProvider::StaticClass(); }

IcxEditDefaultValuesProvider* GridDefaultValuesProviderIntf(TObject* provider) {
  return dynamic_cast<TcxCustomEditDefaultValuesProvider*>(provider);
}

void GridDBDefaultValuesProviderInit(TObject* provider, TDataSource* source, TField* field, const String& fieldName) {
  auto* p = dynamic_cast<TcxGridDBDefaultValuesProvider*>(provider);
  if (!p) return;
  p->SetDataSource(source);
  p->SetField(field);
  p->SetFieldName(fieldName);
}

TcxEditRepositoryItem* GridDefaultRepositoryItemForValueType(TcxValueTypeClass valueType) {
  return DataEditorRegistry()->ItemForValueType(valueType);
}

TcxEditRepositoryItem* GridDefaultRepositoryItemForField(TField* field) {
  return GetDefaultEditDBRepositoryItems()->GetItemByField(field);
}
