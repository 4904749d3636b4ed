// The table view over a data set: its data controller binds to a data source and its columns
// to fields by name.
#pragma once

#include "grid/cxGridDBDataDefinitions.h"
#include "gridviews/cxGridTableView.h"

class TcxGridDBColumn : public TcxGridColumn {
  KORVAN_CLASS(TcxGridDBColumn, TcxGridColumn)

 public:
  explicit TcxGridDBColumn(TComponent* owner) : TcxGridColumn(owner) {}
  TcxGridItemDBDataBinding* DataBinding() const {
    return static_cast<TcxGridItemDBDataBinding*>(TcxGridColumn::DataBinding());
  }
};

class TcxGridDBTableSummaryItem : public TcxDBDataSummaryItem {
  KORVAN_CLASS(TcxGridDBTableSummaryItem, TcxDBDataSummaryItem)

 public:
  explicit TcxGridDBTableSummaryItem(TCollection* collection) : TcxDBDataSummaryItem(collection) {}
  TcxGridDBColumn* Column() const { return dynamic_cast<TcxGridDBColumn*>(LinkedItem()); }
  void SetColumn(TcxGridDBColumn* value) { ChangeLinkedItem(value); }
  String GetObjectName() const { return String(); }
  bool GetProperties(TStrings* properties) { return TcxGridSummaryItemStoring::ListProperties(properties, false); }
  void GetPropertyValue(const String& name, Variant& value) {
    TcxGridSummaryItemStoring::GetValue(LinkedItem(), name, value);
  }
  void SetPropertyValue(const String& name, const Variant& value) {
    TcxGridSummaryItemStoring::SetValue(Summary()->DataController(), name, value,
                                        [this](TcxGridColumn* c) { ChangeLinkedItem(c); });
  }
};

class TcxGridDBTableView : public TcxGridTableView {
  KORVAN_CLASS(TcxGridDBTableView, TcxGridTableView)

 public:
  explicit TcxGridDBTableView(TComponent* owner) : TcxGridTableView(owner) {}
  TcxGridDBDataController* GetDataController() const {
    return static_cast<TcxGridDBDataController*>(DataController());
  }
  void SetDataControllerObject(TcxGridDBDataController* value);
  TcxDataControllerClass GetDataControllerClass() override { return DataControllerClassOf<TcxGridDBDataController>(); }
  TClass GetItemClass() override { return TcxGridDBColumn::StaticClass(); }
  TClass GetSummaryItemClass() override { return TcxGridDBTableSummaryItem::StaticClass(); }
};

// Unit start: registers the data-set table view ("DB Table") and its column.
void InitializeCxGridDBTableView();
