// The field filter drop-down of the pivot grid: an invisible popup editor whose popup holds a
// check list of the field's unique values under "(Show All)", with "Ok" and "Cancel" in its
// bottom panel. "Ok" writes the field's value filter in the mode that keeps the shorter list.
#pragma once

#include <vector>

#include "editors/cxCheckListBox.h"
#include "editors/cxPopupEdit.h"
#include "foundation/cxButtons.h"
#include "pivotgrid/cxCustomPivotGrid.h"

// The drop-down's window, made by the class registry from the editor that owns it.
class TcxPivotGridFilterPopupWindow : public TcxPopupEditPopupWindow {
  KORVAN_CLASS(TcxPivotGridFilterPopupWindow, TcxPopupEditPopupWindow)
 public:
  explicit TcxPivotGridFilterPopupWindow(TComponent* owner)
      : TcxPopupEditPopupWindow(dynamic_cast<TWinControl*>(owner)) {}
};

class TcxPivotGridFilterPopupProperties : public TcxCustomPopupEditProperties {
  KORVAN_CLASS(TcxPivotGridFilterPopupProperties, TcxCustomPopupEditProperties)
 public:
  using TcxCustomPopupEditProperties::TcxCustomPopupEditProperties;
  TClass GetPopupWindowClass() override;
};

class TcxPivotGridFilterPopup : public TcxCustomPopupEdit {
  KORVAN_CLASS(TcxPivotGridFilterPopup, TcxCustomPopupEdit)
 public:
  explicit TcxPivotGridFilterPopup(TcxCustomPivotGrid* grid);
  ~TcxPivotGridFilterPopup() override;

  virtual void InitPopup();
  virtual void ButtonClick(TObject* sender);
  virtual void CreateControls();
  virtual void FillValues();
  virtual void ApplyFilter();

  // Binds the drop-down to a field, then opens it under the field's header.
  void SetField(TcxPivotGridField* field) { Field = field; }
  void Popup();
  // The field is being freed: an open drop-down closes without writing anything.
  void FieldRemoving(TcxPivotGridField* field);
  // The value an item after "(Show All)" stands for.
  const Variant& ItemValue(int index) const { return values_[std::size_t(index - 1)]; }

  TcxCustomPivotGrid* PivotGrid() const { return pivotGrid_; }

  TcxPivotGridField* Field = nullptr;
  int ButtonWidth = 0;
  TcxButton* CancelButton = nullptr;
  TcxButton* OkButton = nullptr;
  TcxButtonState PreviousButtonState = cxbsNormal;
  bool ValuesChanged = false;
  bool Updating = false;
  TcxCheckBoxState ShowAllState = cbsUnchecked;
  TcxCheckListBox* CheckList = nullptr;

  void ApplyWindowRegion() override;
  void DoCloseUp() override;
  void PositionPopupWindow() override;

 private:
  void ItemCheckChanged(TObject* sender);
  void UpdateOkButton();
  TcxCheckBoxState StateOfValues();

  TcxCustomPivotGrid* pivotGrid_;
  // Copies of the listed values: a data change while open rebuilds the field's own list.
  std::vector<Variant> values_;
};
