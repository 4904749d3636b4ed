// What the grid's items need of the editors, reached without the editors' headers: the
// container styles' and the view styles' value names clash in one translation unit, so the
// view's units call these and cxGridEditDefaults.cpp, which includes no view header, answers.
#pragma once

#include "data/cxDataStorage.h"
#include "db/DB.h"

class TcxEditRepositoryItem;
class IcxEditDefaultValuesProvider;

TClass GridDefaultValuesProviderClass();
TClass GridDBDefaultValuesProviderClass();
// The editor-defaults interface of a provider made from one of the classes above.
IcxEditDefaultValuesProvider* GridDefaultValuesProviderIntf(TObject* provider);
// Gives a data-set provider its data source, field and the item's field name.
void GridDBDefaultValuesProviderInit(TObject* provider, TDataSource* source, TField* field, const String& fieldName);
// The registered default editor of a value type class, and of a data-set field.
TcxEditRepositoryItem* GridDefaultRepositoryItemForValueType(TcxValueTypeClass valueType);
TcxEditRepositoryItem* GridDefaultRepositoryItemForField(TField* field);
// The binding's answer for both providers: the data controller stores the item's text, or
// the item has OnGetDataText. `binding` is the provider's owner (a TcxGridItemDataBinding).
bool GridItemDisplayFormatDefined(TPersistent* binding, bool isInplace);
