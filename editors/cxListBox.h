// The list box with the library's look and feel: a container with styles, border and painted
// scroll bars around an inner platform list box, and a data binding that can make it read-only
// and keep its selection in step with a data value.
#pragma once

#include "editors/cxEdit.h"

class TcxListBox;

// The binding of a list-type container: the read-only state and the value it stands for.
// This binding holds no value (HasData is False); a data-aware binding answers its own.
class TcxListDataBinding : public TcxDataBinding {
 public:
  using TcxDataBinding::TcxDataBinding;
  virtual bool HasData() const { return false; }
  virtual Variant DisplayValue(bool /*focused*/) const { return Null(); }
  virtual void StoreValue(const Variant& /*value*/) {}
  // The stored value shown again (Esc).
  virtual void Reset() { DoDataChanged(); }
  bool AllowsModification() const { return CanModify(); }
};

// The inner list box of TcxListBox.
class TcxInnerListBox : public TcxCustomInnerListBox {
  KORVAN_CLASS(TcxInnerListBox, TcxCustomInnerListBox)

 public:
  explicit TcxInnerListBox(TComponent* owner);
  ~TcxInnerListBox() override;
  // The owning TcxListBox (descendants receiving inner events reach the control through it).
  TcxListBox* GetListBox() const;
  TcxCanvas* CxCanvas();
  bool CanFocus() override;

 protected:
  void Click() override;
  void CreateWnd() override;
  void DrawItem(Integer index, const TRect& rect, TOwnerDrawState state) override;
  void MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) override;
  void WndProc(TMessage& m) override;
  bool AllowsModification() const;

 private:
  std::unique_ptr<TcxCanvas> cxCanvas_;
};

using TcxListBoxDrawItemEvent =
    std::function<void(TcxListBox* control, TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state)>;
using TcxListBoxMeasureItemEvent = std::function<void(TcxListBox* control, Integer index, Integer& height)>;

class TcxListBox : public TcxContainer {
  KORVAN_CLASS(TcxListBox, TcxContainer)

 public:
  explicit TcxListBox(TComponent* owner) : TcxListBox(owner, TcxInnerListBox::StaticClass()) {}
  // A kind passes its inner list box class (a C++ constructor cannot dispatch).
  TcxListBox(TComponent* owner, TClass inner_class);
  ~TcxListBox() override;

  TcxInnerListBox* InnerListBox() const { return inner_; }
  TcxCustomInnerListBox* GetInnerList() const { return inner_; }
  // Made on first use (the kind's CreateDataBinding cannot be reached from a constructor).
  TcxListDataBinding* DataBinding() const;
  bool ReadOnly() const { return DataBinding()->GetReadOnly(); }
  void SetReadOnly(bool v) { DataBinding()->SetReadOnly(v); }
  bool Focused() override { return FocusIsInside(); }

  bool AutoComplete() const { return inner_->AutoComplete(); }
  void SetAutoComplete(bool v) { inner_->SetAutoComplete(v); }
  Cardinal AutoCompleteDelay() const { return inner_->AutoCompleteDelay(); }
  void SetAutoCompleteDelay(Cardinal v) { inner_->SetAutoCompleteDelay(v); }
  Integer Columns() const { return inner_->Columns(); }
  void SetColumns(Integer v);
  bool ExtendedSelect() const { return inner_->ExtendedSelect(); }
  void SetExtendedSelect(bool v) { inner_->SetExtendedSelect(v); }
  bool IntegralHeight() const { return integralHeight_; }
  void SetIntegralHeight(bool v);
  Integer ItemHeight() const { return inner_->ItemHeight(); }
  void SetItemHeight(Integer v) { inner_->SetItemHeight(v); }
  TStrings* Items() const { return inner_->Items(); }
  void SetItems(TStrings* v);
  TListBoxStyle ListStyle() const { return inner_->Style(); }
  void SetListStyle(TListBoxStyle v) { inner_->SetStyle(v); }
  bool MultiSelect() const { return inner_->MultiSelect(); }
  void SetMultiSelect(bool v) { inner_->SetMultiSelect(v); }
  bool Sorted() const { return inner_->Sorted(); }
  void SetSorted(bool v) { inner_->SetSorted(v); }
  Integer ScrollWidth() const { return inner_->ScrollWidth(); }
  void SetScrollWidth(Integer v) { inner_->SetScrollWidth(v); }
  Integer TabWidth() const { return inner_->TabWidth(); }
  void SetTabWidth(Integer v) { inner_->SetTabWidth(v); }
  Integer ItemIndex() const { return inner_->ItemIndex(); }
  void SetItemIndex(Integer v) { inner_->SetItemIndex(v); }
  Integer Count() const { return inner_->Count(); }
  void ClearItems() { inner_->Clear(); }
  // The inner list box's item at a point and item rectangle, in the control's coordinates.
  Integer ItemAtPoint(const TPoint& p, bool existing = true);
  TRect ItemRect(Integer index);

  // A click keeps the selection and navigation keys are consumed (the read-only binding).
  virtual bool LocksSelection() { return !DataBinding()->AllowsModification(); }
  // Fires OnDrawItem and answers whether it drew.
  virtual bool DrawItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state);
  // The data binding's class (made on first construction step; descendants answer their own).
  virtual TcxListDataBinding* CreateDataBinding() { return new TcxListDataBinding(this, this); }
  TClass GetInnerListBoxClass() const { return innerClass_; }

  // The data binding's hooks: the display value selects its item; the selected item's text
  // becomes the value.
  virtual void DataChange();
  virtual void UpdateData();

  // The integral height for a requested height (the current height when it already fits).
  Integer IntegralHeightFor(Integer height);

  TcxListBoxDrawItemEvent OnDrawItem;
  const TcxListBoxMeasureItemEvent& OnMeasureItem() const { return onMeasureItem_; }
  void SetOnMeasureItem(TcxListBoxMeasureItemEvent v);
  TLBGetDataEvent& OnData() { return inner_->OnData; }
  TLBGetDataObjectEvent& OnDataObject() { return inner_->OnDataObject; }
  TLBFindDataEvent& OnDataFind() { return inner_->OnDataFind; }

  // A press on the inner list reported as the container's (in its coordinates).
  void InnerMouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) { TcxContainer::MouseDown(b, s, x, y); }

  bool WantsScrollBars() override { return true; }
  bool CanResize(Integer& width, Integer& height) override;
  void WndProc(TMessage& m) override;

 protected:
  // The item height used by the integral height (the inner list's rule per list style).
  virtual Integer RowHeight(Integer index);
  bool IntegralHeightApplies();
  void AlignInnerControl() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void DoExit() override;
  void CMFontChanged(TMessage& m) override;

  TClass innerClass_;
  TcxInnerListBox* inner_ = nullptr;
  mutable std::unique_ptr<TcxListDataBinding> binding_;
  bool integralHeight_ = false;
  bool inExit_ = false;
  TcxListBoxMeasureItemEvent onMeasureItem_;
};

void InitializeCxListBox();
