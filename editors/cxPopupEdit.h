// The popup editor: shows any control of the form (a panel, a list, a whole form) inside the
// drop-down editor's popup while it is open and gives it back to its own parent on close.
#pragma once

#include "editors/cxDropDownEdit.h"

class TcxCustomPopupEditProperties : public TcxCustomDropDownEditProperties {
  KORVAN_CLASS(TcxCustomPopupEditProperties, TcxCustomDropDownEditProperties)

 public:
  explicit TcxCustomPopupEditProperties(TPersistent* owner);
  ~TcxCustomPopupEditProperties() override;
  void Assign(TPersistent* source) override;
  TClass GetContainerClass() override;
  void ComponentFreed(TComponent* component) override;
  TClass GetPopupWindowClass() override;
  bool ShowsLookupListInPopup() override { return false; }
  bool PopupTakesFocus() override { return true; }

  TControl* PopupControl() const { return popupControl_; }
  void SetPopupControl(TControl* v);

 private:
  TControl* popupControl_ = nullptr;
};

class TcxPopupEditProperties : public TcxCustomPopupEditProperties {
  KORVAN_CLASS(TcxPopupEditProperties, TcxCustomPopupEditProperties)

 public:
  explicit TcxPopupEditProperties(TPersistent* owner);
};

class TcxPopupEditPopupWindow : public TcxCustomEditPopupWindow {
  KORVAN_CLASS(TcxPopupEditPopupWindow, TcxCustomEditPopupWindow)

 public:
  using TcxCustomEditPopupWindow::TcxCustomEditPopupWindow;
  TClass ViewInfoClass() override { return TcxPopupEditPopupWindowViewInfo::StaticClass(); }
};

class TcxCustomPopupEdit : public TcxCustomDropDownEdit {
  KORVAN_CLASS(TcxCustomPopupEdit, TcxCustomDropDownEdit)

 public:
  explicit TcxCustomPopupEdit(TComponent* owner)
      : TcxCustomPopupEdit(owner, false, TcxCustomPopupEditProperties::StaticClass()) {}
  TcxCustomPopupEdit(TComponent* owner, bool in_place, TClass properties_class);
  ~TcxCustomPopupEdit() override;
  TcxCustomPopupEditProperties* PopupProperties() const {
    return static_cast<TcxCustomPopupEditProperties*>(Properties());
  }
  TcxCustomPopupEditProperties* EffectivePopupProperties() {
    return static_cast<TcxCustomPopupEditProperties*>(GetEffectiveProperties());
  }

  // Closes later (0x8065): the popup's closing and closed events run with this reason, not
  // CloseUp (no lookup selection, no posting).
  virtual void ClosePopupDeferred(Byte reason);
  virtual void RestorePopupControl();
  virtual void SavePopupControlState();

  bool CanDropDown() override;
  void DoInitPopup() override;
  TWinControl* PopupFocusControl() override;
  void PopupContentSize(TSize& size) override;
  void PositionPopupContent(const TRect& r) override;
  void PositionPopupWindow() override;
  void PopupWindowClosed() override;

 private:
  TAlign savedAlign_ = alNone;
  TRect savedBounds_;
  TWinControl* savedParent_ = nullptr;
  bool savedVisible_ = false;
  TFormBorderStyle savedBorderStyle_ = bsSizeable;
  TControl* shownControl_ = nullptr;  // the control the popup holds, until it is given back
};

class TcxPopupEdit : public TcxCustomPopupEdit {
  KORVAN_CLASS(TcxPopupEdit, TcxCustomPopupEdit)

 public:
  explicit TcxPopupEdit(TComponent* owner) : TcxCustomPopupEdit(owner, false, TcxPopupEditProperties::StaticClass()) {}
  TcxPopupEditProperties* ActiveProperties() const { return static_cast<TcxPopupEditProperties*>(Properties()); }
  void SetProperties(TcxPopupEditProperties* value) { Properties()->Assign(value); }
};

void InitializeCxPopupEdit();
