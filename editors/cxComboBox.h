// The combo box: a drop-down editor whose popup holds the text editor's lookup items in an
// owner-drawn list, with incremental search, key and wheel navigation and three list styles
// that decide how freely the user may type; and the filter helper that makes it a value editor.
#pragma once

#include "editors/cxDropDownEdit.h"

class TcxCustomComboBox;

enum TcxEditDropDownListStyle { lsEditFixedList, lsEditList, lsFixedList };

using TcxEditDrawItemEvent = std::function<void(TcxCustomComboBox* control, TcxCanvas* canvas, Integer index,
                                                const TRect& rect, TOwnerDrawState state)>;

class TcxCustomComboBoxProperties : public TcxCustomDropDownEditProperties {
  KORVAN_CLASS(TcxCustomComboBoxProperties, TcxCustomDropDownEditProperties)

 public:
  explicit TcxCustomComboBoxProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;

  TcxEditDropDownListStyle DropDownListStyle() const { return dropDownListStyle_; }
  void SetDropDownListStyle(TcxEditDropDownListStyle v);
  Integer DropDownRows() const { return dropDownRows_; }
  // Values below 1 are ignored.
  void SetDropDownRows(Integer v);
  Integer ItemHeight() const { return itemHeight_; }
  void SetItemHeight(Integer v);
  bool Revertable() const { return revertable_; }
  void SetRevertable(bool v) { revertable_ = v; }
  TStringList* Items() const { return LookupItems(); }
  TcxEditDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  TClass GetContainerClass() override;
  TClass GetLookupDataClass() override;
  TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                        bool hide_display_text = false) override;
  TcxCustomEditViewInfo* CreateViewInfo() override;
  bool DropDownOnClick() override { return dropDownListStyle_ == lsFixedList; }
  TClass GetPopupWindowClass() override;
  Integer GetLookupPageSize() override { return dropDownRows_; }
  TcxTextEditingStyle GetEditingStyle() override;

 private:
  TcxEditDropDownListStyle dropDownListStyle_ = lsEditList;
  Integer dropDownRows_ = 8;
  Integer itemHeight_ = 0;
  bool revertable_ = false;
};

// The text area: in the fixed-list style with an owner-drawn combo box, the chosen item is
// drawn by the draw-item handler instead of the text.
class TcxCustomComboBoxViewInfo : public TcxCustomTextEditViewInfo {
  KORVAN_CLASS(TcxCustomComboBoxViewInfo, TcxCustomTextEditViewInfo)

 public:
  Integer ItemIndex = -1;  // -1: the text is drawn
  TcxCustomComboBox* Combo = nullptr;
  TcxCustomComboBoxProperties* ComboProperties = nullptr;
  void DrawItem(TcxCanvas* canvas, const TRect& r);
};

class TcxCustomComboBoxViewData : public TcxCustomDropDownEditViewData {
  KORVAN_CLASS(TcxCustomComboBoxViewData, TcxCustomDropDownEditViewData)

 public:
  using TcxCustomDropDownEditViewData::TcxCustomDropDownEditViewData;
  bool IsComboStyle() override { return true; }
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p, Integer button, TShiftState shift,
                         TcxCustomEditViewInfo* view_info, bool is_mouse_event) override;
  void FillDisplayText(TcxCanvas* canvas, const Variant& edit_value, TcxCustomEditViewInfo* view_info) override;

 private:
  void SetItemIndex(TcxCustomComboBoxViewInfo* vi, Integer index);
};

class TcxComboBoxProperties : public TcxCustomComboBoxProperties {
  KORVAN_CLASS(TcxComboBoxProperties, TcxCustomComboBoxProperties)

 public:
  using TcxCustomComboBoxProperties::TcxCustomComboBoxProperties;
};

// The list in the combo box's popup: items drawn single line and vertically centred, heights
// from the font (or the properties), hot tracking, an item taken by a release over it.
class TcxComboBoxListBox : public TcxCustomEditListBox {
  KORVAN_CLASS(TcxComboBoxListBox, TcxCustomEditListBox)

 public:
  explicit TcxComboBoxListBox(TComponent* owner);
  TcxCustomComboBox* GetComboBox() const;
  // The height of an item (-1: the common height).
  Integer ItemHeightFor(Integer index);
  Integer GetRowsHeight(Integer rows);
  Integer GetItemWidth(Integer index);
  // The item's text, from the lookup data (the list holds only as many empty strings).
  String GetItemText(Integer index);
  void RecalculateItemHeight();
  // The next mouse move is not hot-tracked (the pointer rested where the list appeared).
  void IgnoreNextMouseMove() { ignoreMouseMove_ = true; }

 protected:
  void DrawItem(Integer index, const TRect& rect, TOwnerDrawState state) override;
  void MeasureItem(Integer index, Integer& height) override;
  bool DrawsFocusRect() override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void Click() override;

 private:
  bool ignoreMouseMove_ = false;
};

class TcxComboBoxLookupData : public TcxCustomTextEditLookupData {
  KORVAN_CLASS(TcxComboBoxLookupData, TcxCustomTextEditLookupData)

 public:
  using TcxCustomTextEditLookupData::TcxCustomTextEditLookupData;
  TClass GetListBoxClass() override { return TcxComboBoxListBox::StaticClass(); }
  void DoCreateListIn(TWinControl* parent) override;
  // Rows min(DropDownRows, items); the widest item + 4, widened for a vertical scroll bar.
  void GetListContentSize(TSize& size) override;
  // A user resize: the height snaps to whole rows (up while shrinking, down to the rows that
  // fit while enlarging or within max_height), with room for a horizontal scroll bar when the
  // items' width does not fit.
  bool CanResizeList(TSize& size, Integer max_height) override;
};

// The popup: at least as wide as the editor, its height the content's unless the user sized it.
class TcxComboBoxPopupWindow : public TcxCustomEditPopupWindow {
  KORVAN_CLASS(TcxComboBoxPopupWindow, TcxCustomEditPopupWindow)

 public:
  using TcxCustomEditPopupWindow::TcxCustomEditPopupWindow;
  void CalculateSize() override;
};

// The combo box's inner edit: a mouse click fires no click event (the value's changes do).
class TcxCustomComboBoxInnerEdit : public TcxCustomInnerTextEdit {
  KORVAN_CLASS(TcxCustomComboBoxInnerEdit, TcxCustomInnerTextEdit)

 public:
  using TcxCustomInnerTextEdit::TcxCustomInnerTextEdit;

 protected:
  void WMLButtonUp(TMessage& m) override;
};

class TcxCustomComboBox : public TcxCustomDropDownEdit {
  KORVAN_CLASS(TcxCustomComboBox, TcxCustomDropDownEdit)

 public:
  explicit TcxCustomComboBox(TComponent* owner)
      : TcxCustomComboBox(owner, false, TcxCustomComboBoxProperties::StaticClass()) {}
  TcxCustomComboBox(TComponent* owner, bool in_place, TClass properties_class);

  TcxCustomComboBoxProperties* ComboProperties() const {
    return static_cast<TcxCustomComboBoxProperties*>(Properties());
  }
  TcxCustomComboBoxProperties* EffectiveComboProperties() {
    return static_cast<TcxCustomComboBoxProperties*>(GetEffectiveProperties());
  }
  TcxComboBoxLookupData* GetComboLookupData() const;
  bool IsOwnerDrawn();
  bool IsOwnerMeasured();
  void DoDrawItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state);
  void DoMeasureItem(Integer index, Integer& height);

  // The remembered popup height is forgotten: the cell's for an in-place sizeable popup,
  // else the properties'.
  void ResetPopupHeight();

  bool CanDropDown() override;
  void PopupContentSize(TSize& size) override;
  void SetupPopupWindow() override;
  void PopupWindowShown() override;
  void DataChanged() override;
  void ActivateInPlace(TcxCustomEditData*& edit_data) override;

 protected:
  void DblClick() override;
  void WMLButtonUp(TMessage& m) override;
  // A press on the editor dragged into the open list presses the list there.
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
};

class TcxComboBox : public TcxCustomComboBox {
  KORVAN_CLASS(TcxComboBox, TcxCustomComboBox)

 public:
  explicit TcxComboBox(TComponent* owner) : TcxCustomComboBox(owner, false, TcxComboBoxProperties::StaticClass()) {}
  TcxComboBoxProperties* ActiveProperties() const { return static_cast<TcxComboBoxProperties*>(Properties()); }
  void SetProperties(TcxComboBoxProperties* value) { Properties()->Assign(value); }
};

// The combo box as a filter value editor: free typing over the items, no immediate drop-down.
class TcxFilterComboBoxHelper : public TcxFilterDropDownEditHelper {
  KORVAN_CLASS(TcxFilterComboBoxHelper, TcxFilterDropDownEditHelper)

 public:
  TClass ValueEditClass() const override;
  void PrepareFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* source,
                               bool keep_buttons) const override;
};

// A check box column filtered through a combo box of two entries: checked and unchecked.
class TcxFilterCheckBoxHelper : public TcxFilterComboBoxHelper {
  KORVAN_CLASS(TcxFilterCheckBoxHelper, TcxFilterComboBoxHelper)

 public:
  void PrepareFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* source,
                               bool keep_buttons) const override;
  void GetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties, Variant& value,
                      String& display_text) const override;
  void ApplyFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                        const Variant& value) const override;
  void SupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass value_type,
                          TcxFilterControlOperators& operators, bool extended) const override;
  bool FilterUsesDisplayText() const override { return true; }
};

// A radio group column filtered through a combo box of its item captions.
class TcxFilterRadioGroupHelper : public TcxFilterComboBoxHelper {
  KORVAN_CLASS(TcxFilterRadioGroupHelper, TcxFilterComboBoxHelper)

 public:
  void PrepareFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* source,
                               bool keep_buttons) const override;
  void GetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties, Variant& value,
                      String& display_text) const override;
  void ApplyFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                        const Variant& value) const override;
  void SupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass value_type,
                          TcxFilterControlOperators& operators, bool extended) const override;
  bool FilterUsesDisplayText() const override { return true; }
};

// Registers the combo box and the filter helpers of the check box and the radio group (their
// value editor is the combo box).
void InitializeCxComboBox();
