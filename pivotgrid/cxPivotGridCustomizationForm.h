// The pivot grid's field list: a tool window listing the hidden fields, each drawn as its field
// header. A field goes back into the grid by a drag from the list onto a drop area, or by
// choosing an area in the combo box and pressing "Add To" (or double-clicking it); a header
// dragged out of the grid onto the list hides its field. InitializeCxPivotGridCustomizationForm
// makes this the window class of every grid's Customization holder.
#pragma once

#include "editors/cxComboBox.h"
#include "editors/cxListBox.h"
#include "foundation/cxButtons.h"
#include "pivotgrid/cxPivotGridCustomization.h"
#include "vcl/StdCtrls.h"

class TcxPivotGridCustomizationForm;

// The list of hidden fields: each item's object is its field, drawn as the field's header.
class TcxFieldListListBox : public TcxListBox {
  KORVAN_CLASS(TcxFieldListListBox, TcxListBox)
 public:
  explicit TcxFieldListListBox(TComponent* owner);
  void SetForm(TcxPivotGridCustomizationForm* form) { form_ = form; }
  TcxPivotGridField* Fields(int index) const;
  // The selected field (nullptr when nothing is selected).
  TcxPivotGridField* SelectedField() const;
  bool DrawItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) override;
  bool CanStartDragAndDrop(const TPoint& p) override;
  TcxDragAndDropObjectClass DragObjectClass() override;

 protected:
  void Resize() override;

 private:
  TcxPivotGridCustomizationForm* form_ = nullptr;
};

// A field dragged from the field list into the grid: the pointer is followed in the grid's
// coordinates, and the picture starts over the list item.
class TcxPivotGridListListBoxDragAndDropObject : public TcxPivotGridDragAndDropObject {
  KORVAN_CLASS(TcxPivotGridListListBoxDragAndDropObject, TcxPivotGridDragAndDropObject)
 public:
  using CreateArgType = TcxControl*;
  explicit TcxPivotGridListListBoxDragAndDropObject(TcxControl* control);
  ~TcxPivotGridListListBoxDragAndDropObject() override;
  TcxCustomPivotGrid* PivotGrid() override;
  void StartDrag() override;
  void MoveDrag(const TPoint& p, bool& accepted) override;

 protected:
  TPoint CurrentPoint() override { return gridPoint_; }

 private:
  TPoint ToGrid(const TPoint& listPoint);
  TcxFieldListListBox* list_;
  TWeakRef<TcxCustomPivotGrid> grid_;
  TPoint gridPoint_{0, 0};
  bool started_ = false;
};

class TcxPivotGridCustomizationForm : public TcxPivotGridCustomCustomizationForm {
  KORVAN_CLASS(TcxPivotGridCustomizationForm, TcxPivotGridCustomCustomizationForm)
 public:
  explicit TcxPivotGridCustomizationForm(TComponent* owner) : TcxPivotGridCustomCustomizationForm(owner) {}

  void CreateControls() override;
  void RefreshList() override;
  TClass BeginFieldDrag(TcxPivotGridField* field) override;
  void FieldRemoving(TcxPivotGridField* field) override;

  // The area the combo box names (faColumn when nothing is chosen).
  TcxPivotGridFieldArea ComboArea() const;
  // "Add To": the selected field goes to the end of the combo's area and shows.
  void AddTo();
  void UpdateAreaCombo();
  void UpdateButtons();

  TcxButton* AddButton = nullptr;
  TcxComboBox* AreaCombo = nullptr;
  TcxFieldListListBox* FieldList = nullptr;
  TLabel* HintLabel = nullptr;
};

void InitializeCxPivotGridCustomizationForm();
