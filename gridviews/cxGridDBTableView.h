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

class TcxGridDBTableSummaryItem : public TcxGridColumnSummaryItem<TcxDBDataSummaryItem, TcxGridDBColumn> {
  KORVAN_CLASS(TcxGridDBTableSummaryItem, TcxDBDataSummaryItem)

 public:
  using TcxGridColumnSummaryItem::TcxGridColumnSummaryItem;
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
