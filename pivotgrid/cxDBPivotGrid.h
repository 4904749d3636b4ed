// The pivot grid bound to a data set: its data controller, data-aware fields and their binding
// by data-set field name, and the creation of one field per data-set field.
#pragma once

#include "data/cxDBData.h"
#include "pivotgrid/cxCustomPivotGrid.h"

// The data-set variant ignores the focus changes of the data set's cursor.
class TcxDBPivotGridDataController : public TcxPivotGridDataControllerOf<TcxDBDataController> {
 public:
  using TcxPivotGridDataControllerOf::TcxPivotGridDataControllerOf;

 protected:
  bool IgnoresInfo(TcxUpdateControlInfo* info) override {
    return dynamic_cast<TcxFocusedRecordChangedInfo*>(info) || dynamic_cast<TcxFocusedRowChangedInfo*>(info);
  }
};

class TcxDBPivotGridFieldDataBinding : public TcxPivotGridFieldDataBinding {
  KORVAN_CLASS(TcxDBPivotGridFieldDataBinding, TcxPivotGridFieldDataBinding)
 public:
  using TcxPivotGridFieldDataBinding::TcxPivotGridFieldDataBinding;
  void Assign(TPersistent* source) override;
  String FieldName() const;
  void SetFieldName(const String& name);
  TField* DataSetField() const;
  String DisplayName() const;

 private:
  TcxDBPivotGridDataController* Controller() const;
  String fieldName_;
};

class TcxDBPivotGridField : public TcxPivotGridField {
  KORVAN_CLASS(TcxDBPivotGridField, TcxPivotGridField)
 public:
  explicit TcxDBPivotGridField(TComponent* owner) : TcxPivotGridField(owner) {
    dataBinding_.reset(CreateDataBinding());
  }
  TcxPivotGridFieldDataBinding* CreateDataBinding() override { return new TcxDBPivotGridFieldDataBinding(this); }
  String GetCaption() override;
  String GetDisplayFormat() override;
  bool IsCurrencyValueType(TcxValueTypeClass valueTypeClass) override;
  TcxPivotGridDataBuilder* GetDataBuilder() override;
  TcxDBPivotGridFieldDataBinding* DataBinding() const {
    return static_cast<TcxDBPivotGridFieldDataBinding*>(dataBinding_.get());
  }
  void SetDataBinding(TcxDBPivotGridFieldDataBinding* v) { TcxPivotGridField::SetDataBinding(v); }
};

class TcxCustomDBPivotGrid : public TcxCustomPivotGrid {
  KORVAN_CLASS(TcxCustomDBPivotGrid, TcxCustomPivotGrid)
 public:
  explicit TcxCustomDBPivotGrid(TComponent* owner);
  TClass GetFieldClass() override { return TcxDBPivotGridField::StaticClass(); }
  TcxCustomDataController* CreateDataController() override;
  bool CanRetrieveFields(bool& isActive) override;
  void CreateAllFields() override;
  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* value);
  TcxDBPivotGridDataController* DBDataController() const {
    return static_cast<TcxDBPivotGridDataController*>(DataController());
  }
};

class TcxDBPivotGrid : public TcxCustomDBPivotGrid {
  KORVAN_CLASS(TcxDBPivotGrid, TcxCustomDBPivotGrid)
 public:
  explicit TcxDBPivotGrid(TComponent* owner);
};

// Unit start: the pivot grid's unit, the data layer's classes, and the data-set grid and field
// classes registered for form text.
void InitializeCxDBPivotGrid();
