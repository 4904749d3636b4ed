// The lookup combo box: the data-set lookup edit over its own data-set lookup grid (ListSource,
// KeyFieldNames, ListFieldNames, ListColumns, ListOptions), its repository item and its place as
// the default editor of lookup fields.
#pragma once

#include "editors-extra/cxDBLookupEdit.h"
#include "editors-extra/cxLookupDBGrid.h"

class TcxLookupComboBoxProperties : public TcxCustomDBLookupEditProperties {
  KORVAN_CLASS(TcxLookupComboBoxProperties, TcxCustomDBLookupEditProperties)

 public:
  explicit TcxLookupComboBoxProperties(TPersistent* owner);
  ~TcxLookupComboBoxProperties() override;
  void Assign(TPersistent* source) override;

  TDataSource* ListSource();
  // Raises the lookup-definition error while a lookup field defines the list, and the
  // circular-reference error when the source reads the edited data set.
  void SetListSource(TDataSource* v);
  TcxLookupDBGridColumns* ListColumns() const { return grid_->DBColumns(); }
  void SetListColumns(TcxLookupDBGridColumns* v);
  // The columns' field names joined by ";".
  String ListFieldNames() const;
  void SetListFieldNames(const String& v);
  TcxLookupGridOptions* ListOptions() const { return grid_->Options(); }
  void SetListOptions(TcxLookupGridOptions* v) { grid_->Options()->Assign(v); }
  TcxCustomLookupDBGrid* Grid() const { return grid_; }
  // Fired by the list's data controller when its sorting changes.
  TNotifyEvent OnSortingChanged() const { return grid_->DataController()->OnSortingChanged; }
  void SetOnSortingChanged(TNotifyEvent v) { grid_->DataController()->OnSortingChanged = std::move(v); }

  TClass GetContainerClass() override;
  Integer GetListColumnCount() override { return grid_->Columns()->Count(); }
  TcxCustomLookupGrid* GetListGrid() override { return grid_; }
  TcxCustomDataController* GetListDataController() override { return grid_->DataController(); }
  Integer GetListPreferredWidth() override;
  Integer AlignListHeight(Integer height) override { return grid_->AlignHeightToRows(height); }
  Integer GetListHeightForRows(Integer rows) override { return grid_->GetHeightForRows(rows); }
  bool IsListRowAtPoint(const TPoint& p) override { return grid_->IsRowAtPoint(p); }
  void SetListHandlers(TNotifyEvent selection, TNotifyEvent spare,
                       TcxCustomLookupGrid::TCloseRequestEvent closeRequest) override;
  void ApplyListAppearance(TcxLookAndFeel* lookAndFeel, TColor color, TFont* font) override;
  void StoreListMousePosition() override { TcxCustomLookupGrid::StoreMousePosition(); }
  void MakeListFocusedRowVisible() override { grid_->MakeFocusedRowVisible(); }
  void ReleaseListMouseCapture() override { grid_->SetMouseCapture(false); }
  void BeginListColumnsUpdate() override { grid_->BeginUpdate(); }
  void AddListColumn(const String& fieldName) override;
  void CreateListColumns(const String& fieldNames) override { grid_->SetFieldNames(fieldNames); }
  void EndListColumnsUpdate() override { grid_->EndUpdate(); }
  TField* GetListColumnField(Integer index) override { return ListColumns()->Column(index)->Field(); }
  String GetListColumnFieldName(Integer index) override { return ListColumns()->Column(index)->FieldName(); }
  Integer FindListColumnByFieldName(const String& name) override;
  TcxDBDataController* GetListDBDataController() override { return grid_->DBDataController(); }
  void ListOptionsChanged(TObject*) { NotifyPropertiesChanged(); }

 private:
  TcxCustomLookupDBGrid* grid_;
};

class TcxCustomLookupComboBox : public TcxCustomDBLookupEdit {
  KORVAN_CLASS(TcxCustomLookupComboBox, TcxCustomDBLookupEdit)

 public:
  explicit TcxCustomLookupComboBox(TComponent* owner)
      : TcxCustomDBLookupEdit(owner, false, TcxLookupComboBoxProperties::StaticClass()) {}
  TcxCustomLookupComboBox(TComponent* owner, bool inPlace, TClass propertiesClass)
      : TcxCustomDBLookupEdit(owner, inPlace, propertiesClass) {}
  TcxLookupComboBoxProperties* ComboBoxProperties() const {
    return static_cast<TcxLookupComboBoxProperties*>(Properties());
  }
};

class TcxLookupComboBox : public TcxCustomLookupComboBox {
  KORVAN_CLASS(TcxLookupComboBox, TcxCustomLookupComboBox)

 public:
  using TcxCustomLookupComboBox::TcxCustomLookupComboBox;
};

class TcxEditRepositoryLookupComboBoxItem : public TcxEditRepositoryItem {
  KORVAN_CLASS(TcxEditRepositoryLookupComboBoxItem, TcxEditRepositoryItem)

 public:
  explicit TcxEditRepositoryLookupComboBoxItem(TComponent* owner)
      : TcxEditRepositoryItem(owner, TcxLookupComboBoxProperties::StaticClass()) {}
  TcxLookupComboBoxProperties* Properties() const {
    return static_cast<TcxLookupComboBoxProperties*>(TcxEditRepositoryItem::Properties());
  }
};

// A lookup combo box column filtered through a lookup combo box: equals, does not equal, is
// blank, is not blank; the value is the key, the text the key's list text.
class TcxFilterLookupComboBoxHelper : public TcxFilterComboBoxHelper {
  KORVAN_CLASS(TcxFilterLookupComboBoxHelper, TcxFilterComboBoxHelper)

 public:
  bool KeepsDefaultValuesProvider(TcxCustomEditProperties* source) const override;
  TClass ValueEditClass() const override { return TcxLookupComboBox::StaticClass(); }
  void GetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties, Variant& value,
                      String& displayText) const override;
  void SupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass valueType,
                          TcxFilterControlOperators& operators, bool extended) const override;
  void PrepareFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* source,
                               bool keepButtons) const override;
  bool AcceptsFilterValue(TcxValueTypeClass, Variant&) const override { return true; }
};

// Registers the combo box, its repository item and the lookup-field entry of the default
// editors.
void InitializeCxDBLookupComboBox();
