// The editor-defaults providers of the grid's item bindings: the base one, and the data-set
// one that answers from the bound field. (Kept apart from the view's headers; see
// cxGridEditLinks.h.)
#pragma once

#include "editors-extra/cxDBEdit.h"
#include "editors/cxEdit.h"
#include "grid/cxGridEditLinks.h"

class TcxGridDefaultValuesProvider : public TcxCustomEditDefaultValuesProvider {
  KORVAN_CLASS(TcxGridDefaultValuesProvider, TcxCustomEditDefaultValuesProvider)

 public:
  explicit TcxGridDefaultValuesProvider(TPersistent* owner) : TcxCustomEditDefaultValuesProvider(owner) {}
  bool IsDisplayFormatDefined(bool isInplace) override { return GridItemDisplayFormatDefined(GetOwner(), isInplace); }
};

class TcxGridDBDefaultValuesProvider : public TcxCustomDBEditDefaultValuesProvider {
  KORVAN_CLASS(TcxGridDBDefaultValuesProvider, TcxCustomDBEditDefaultValuesProvider)

 public:
  explicit TcxGridDBDefaultValuesProvider(TPersistent* owner) : TcxCustomDBEditDefaultValuesProvider(owner) {}
  const String& FieldName() const { return fieldName_; }
  void SetFieldName(const String& v) { fieldName_ = v; }
  // An item without a field name is unbound and may always change its value.
  bool DefaultCanModify() override {
    return fieldName_.empty() || TcxCustomDBEditDefaultValuesProvider::DefaultCanModify();
  }
  bool IsDisplayFormatDefined(bool isInplace) override { return GridItemDisplayFormatDefined(GetOwner(), isInplace); }

 private:
  String fieldName_;
};
