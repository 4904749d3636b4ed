// The grid's data-set binding: items bound to data-set fields by name, their editor defaults
// from the field, and the data controller over a data set, which makes one item per field.
#pragma once

#include "data/cxDBData.h"
#include "grid/cxGridCustomTableView.h"

class TcxGridItemDBDataBinding : public TcxGridItemDataBinding {
  KORVAN_CLASS(TcxGridItemDBDataBinding, TcxGridItemDataBinding)

 public:
  using CreateArgType = TcxCustomGridTableItem*;
  explicit TcxGridItemDBDataBinding(TcxCustomGridTableItem* item) : TcxGridItemDataBinding(item) {}

  TcxDBDataController* DBDataController() const;
  String FieldName() const;
  void SetFieldName(const String& value);
  TField* Field() const;

  void AssignFrom(TcxGridItemDataBinding* source) override;
  TcxValueTypeClass GetDefaultValueTypeClass() const override { return nullptr; }
  String GetFilterFieldName() const override;
  void Init() override;
  bool IsValueTypeStored() const override { return FieldName().empty() && TcxGridItemDataBinding::IsValueTypeStored(); }
  String GetDefaultCaption() const override;
  TcxEditRepositoryItem* GetDefaultRepositoryItem() override;
  // The width of the field's display width in "0" characters of the content font, plus 4.
  Integer GetDefaultWidth(bool considerMinWidth) override;
};

class TcxGridDBDataController : public TcxGridDataControllerOverrides<TcxDBDataController>,
                                public IcxGridDataControllerServices,
                                public IcxGridDataControllerViewLink {
  // A class descriptor of its own, so that form descriptions reach DataSource.
  KORVAN_CLASS(TcxGridDBDataController, TPersistent)

 public:
  explicit TcxGridDBDataController(TComponent* owner) : TcxGridDataControllerOverrides(owner) {}
  bool IsSequencedGridMode();

  // Services.
  void UpdateGridModeBufferCount() override {
    if (IsGridMode()) TcxDBDataController::UpdateGridModeBufferCount();
  }
  // Sequenced grid mode moves through the table controller, which comes with the next step.
  bool ScrollRecord(bool) override { return IsSequencedGridMode(); }
  bool ScrollPage(bool) override { return IsSequencedGridMode(); }
  TClass GetItemDataBindingClass() override { return TcxGridItemDBDataBinding::StaticClass(); }
  TClass GetItemDefaultValuesProviderClass() override { return GridDBDefaultValuesProviderClass(); }
  Integer GetScrollBarPosition() override;
  Integer GetScrollBarRecordCount() override;
  bool SetScrollBarPosition(Integer value) override;
  // View link.
  void CopyDataFrom(TcxCustomDataController*) override {}
  void CreateAllItems() override;
  void DeleteAllItems() override;
  void ListFakeComponentLinks(std::vector<TComponent*>& list) override;
  TcxCustomGridView* GetGridView() override;
  bool HoldsOwnRecords() override { return false; }
  bool HasRecordSource() override { return BoundDataSet() != nullptr; }
  bool CanCreateAllItems() override { return true; }

 private:
  Integer scrollBarPosition_ = -1;
};
