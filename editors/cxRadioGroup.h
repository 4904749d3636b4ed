// The button group and the radio group (a group box with one button per item, laid out in
// columns; the radio group's value is the selected item's), and the radio button control
// that paints the platform radio button through the look-and-feel painters (the radio
// group's child buttons derive from it).
#pragma once

#include <vector>

#include "editors/cxCheckBox.h"
#include "editors/cxGroupBox.h"
#include "foundation/cxControls.h"
#include "vcl/StdCtrls.h"

// ---- the radio button control ------------------------------------------------------------------

// Button states of the radio button control.
constexpr Byte cxrbsDisabled = 0, cxrbsHot = 1, cxrbsNormal = 2, cxrbsPressed = 3;

class TcxRadioButton : public TRadioButton, public IcxMouseTrackingCaller {
  KORVAN_CLASS(TcxRadioButton, TRadioButton)

 public:
  using CreateArgType = TComponent*;
  explicit TcxRadioButton(TComponent* owner);
  ~TcxRadioButton() override;

  TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  void SetLookAndFeel(TcxLookAndFeel* v) { lookAndFeel_->Assign(v); }
  Byte ButtonState() const { return state_; }
  TRect ButtonRect() const { return buttonRect_; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool ParentBackground() const { return parentBackground_; }
  void SetParentBackground(bool v) { parentBackground_ = v; Invalidate(); }
  // A TPopupMenu or a component of the library's popup-menu kind; anything else is refused.
  TComponent* CxPopupMenu() const { return popupMenu_; }
  void SetCxPopupMenu(TComponent* v);

  // Sides moved in (left, top, right, bottom) for the caption by placement and word wrap.
  virtual void AdjustCaptionRect(TRect& r, bool native);
  virtual bool ShowPopupMenuAt(TComponent* menu, Integer x, Integer y);
  virtual void PaintBackground();
  virtual bool IsInplace() { return false; }
  virtual bool UsesParentBackground();
  virtual bool IsNativeStyle();
  virtual bool IsTransparent() { return transparent_ && !IsInplace(); }
  virtual bool HasTransparentBackground() { return UsesParentBackground() || IsTransparent(); }
  virtual void LookAndFeelChanged() { Invalidate(); }
  virtual void UpdateButtonState(Integer button, TShiftState shift, const TPoint& p);
  // Paints the whole button on its canvas (the owner-draw request's device context).
  virtual void PaintButton();
  void MouseLeave() override;
  void Dispatch(TMessage& m) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CNDrawItem(TMessage& m) override;
  void BMSetCheck(TMessage& m) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void CMMouseEnter(TMessage& m) override;
  void CMMouseLeave(TMessage& m) override;
  void CMEnabledChanged(TMessage& m) override;
  void WMContextMenu(TMessage& m) override;
  void DoContextPopup(TPoint mouse_pos, bool& handled) override;
  void DoEnter() override;
  void Notification(TComponent* c, TOperation op) override;
  void RefreshStateAtCursor();
  // The paint canvas of the owner-draw request.
  TcxCanvas* PaintCanvas() const { return cxCanvas_.get(); }

 private:
  TRect buttonRect_;
  std::unique_ptr<TCanvas> drawCanvas_;
  std::unique_ptr<TcxCanvas> cxCanvas_;
  std::unique_ptr<TcxLookAndFeel> lookAndFeel_;
  Byte state_ = cxrbsNormal;
  bool transparent_ = false;
  bool parentBackground_ = true;
  TComponent* popupMenu_ = nullptr;
};

// ---- items -----------------------------------------------------------------------------------------------

class TcxButtonGroupItem : public TCollectionItem {
  KORVAN_CLASS(TcxButtonGroupItem, TCollectionItem)

 public:
  explicit TcxButtonGroupItem(TCollection* collection);
  ~TcxButtonGroupItem() override;
  void Assign(TPersistent* source) override;
  String Caption() const { return caption_; }
  void SetCaption(const String& v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  Integer Tag() const { return tag_; }
  void SetTag(Integer v) { tag_ = v; }

 protected:
  void ReportChanged();
  // The radio item's value, held here: the item reports its creation from this class's
  // constructor, when a descendant's own members do not exist yet.
  Variant value_ = Null();

 private:
  String caption_;
  bool enabled_ = true;
  Integer tag_ = 0;
};

class TcxRadioGroupItem : public TcxButtonGroupItem {
  KORVAN_CLASS(TcxRadioGroupItem, TcxButtonGroupItem)

 public:
  using TcxButtonGroupItem::TcxButtonGroupItem;
  void Assign(TPersistent* source) override;
  Variant Value() const { return value_; }
  void SetValue(const Variant& v);
  bool IsValueStored() const { return !value_.IsNull(); }
};

// Change actions the items report.
constexpr Byte cxbgItemAdded = 0, cxbgItemDeleted = 1, cxbgItemChanged = 2;

class TcxButtonGroupItems : public TOwnedCollection, public IcxCheckItemCaptions {
  KORVAN_CLASS(TcxButtonGroupItems, TOwnedCollection)

 public:
  TcxButtonGroupItems(TPersistent* owner, TCollectionItemClass item_class);
  ~TcxButtonGroupItems() override;
  TcxButtonGroupItem* Item(Integer index) const { return static_cast<TcxButtonGroupItem*>(Items(index)); }
  TcxButtonGroupItem* AddItem() { return static_cast<TcxButtonGroupItem*>(Add()); }
  String GetCaption(Integer index) override { return Item(index)->Caption(); }
  Integer GetCount() override { return Count(); }
  // The change being reported (only while Changing()).
  Integer ChangedItemIndex() const { return changedIndex_; }
  Byte ChangeAction() const { return changeAction_; }
  bool Changing() const { return changing_; }
  bool Destroying() const { return destroying_; }
  // Reports a change of one item to the owner properties.
  void ReportItemChange(Integer index, Byte action);
  void SetItemMoving(bool v) { itemMoving_ = v; }

 protected:
  void Update(TCollectionItem* item) override;

 private:
  Integer changedIndex_ = -1;
  Byte changeAction_ = cxbgItemChanged;
  bool destroying_ = false;
  bool changing_ = false;
  bool itemMoving_ = false;
};

class TcxRadioGroupItems : public TcxButtonGroupItems {
  KORVAN_CLASS(TcxRadioGroupItems, TcxButtonGroupItems)

 public:
  using TcxButtonGroupItems::TcxButtonGroupItems;
  TcxRadioGroupItem* Item(Integer index) const { return static_cast<TcxRadioGroupItem*>(Items(index)); }
  TcxRadioGroupItem* AddItem() { return static_cast<TcxRadioGroupItem*>(Add()); }
};

// ---- properties -------------------------------------------------------------------------------------------

class TcxCustomButtonGroupProperties : public TcxCustomGroupBoxProperties {
  KORVAN_CLASS(TcxCustomButtonGroupProperties, TcxCustomGroupBoxProperties)

 public:
  explicit TcxCustomButtonGroupProperties(TPersistent* owner);
  ~TcxCustomButtonGroupProperties() override;
  void Assign(TPersistent* source) override;
  Word GetSpecialFeatures() override { return TcxCustomGroupBoxProperties::GetSpecialFeatures() | 2; }
  Word GetSupportedOperations() override { return items_->Count() == 0 ? 1423 : 1455; }
  TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                        bool hide_display_text = false) override;
  TcxCustomEditViewInfo* CreateViewInfo() override;
  virtual TcxButtonGroupItems* CreateItems();
  // Columns that hold buttons (no empty column); 0 without items.
  virtual Integer GetColumnCount();
  // Rows of the column layout; 0 without items.
  Integer RowCount();

  Integer Columns() const { return columns_; }
  void SetColumns(Integer v);
  TcxButtonGroupItems* Items() const { return items_.get(); }
  void SetItems(TcxButtonGroupItems* v) { items_->Assign(v); }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);

 protected:
  // Made by the constructors of kinds (a constructor cannot dispatch to CreateItems).
  void ReplaceItems(TcxButtonGroupItems* items) { items_.reset(items); }

 private:
  Integer columns_ = 1;
  std::unique_ptr<TcxButtonGroupItems> items_;
  bool wordWrap_ = false;
};

class TcxCustomRadioGroupProperties : public TcxCustomButtonGroupProperties {
  KORVAN_CLASS(TcxCustomRadioGroupProperties, TcxCustomButtonGroupProperties)

 public:
  explicit TcxCustomRadioGroupProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;
  TClass GetContainerClass() override;
  bool IsDisplayTextKind() override { return true; }
  bool ComparesEditValues() override { return true; }
  bool DisplayValuesEqual(const Variant& a, const Variant& b) override { return IndexOfValue(a) == IndexOfValue(b); }
  String ValueToDisplayText(const Variant& edit_value, bool whole_text, bool for_display) override;
  Word GetSupportedOperations() override {
    return TcxCustomButtonGroupProperties::GetSupportedOperations() | 0x10 | 0x200;
  }
  bool CanResetEditValue() override { return true; }
  void PrepareDisplayValue(const Variant& edit_value, Variant& display_value, bool edit_focused) override {
    display_value = IndexOfValue(edit_value);
  }
  TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                        bool hide_display_text = false) override;
  TcxCustomEditViewInfo* CreateViewInfo() override;
  TcxButtonGroupItems* CreateItems() override;
  Integer GetColumnCount() override;

  // The first item matching a value: by caption for an item without value, else by value.
  Integer IndexOfValue(const Variant& value);
  // An item's value (its caption when it has none), DefaultValue for -1.
  Variant ValueOfIndex(Integer index);

  TcxRadioGroupItems* Items() const { return static_cast<TcxRadioGroupItems*>(TcxCustomButtonGroupProperties::Items()); }
  void SetItems(TcxRadioGroupItems* v) { TcxCustomButtonGroupProperties::SetItems(v); }
  String DefaultCaption() const { return defaultCaption_; }
  void SetDefaultCaption(const String& v);
  Variant DefaultValue() const { return defaultValue_; }
  void SetDefaultValue(const Variant& v);
  bool IsDefaultCaptionStored() const { return !defaultCaption_.empty(); }
  bool IsDefaultValueStored() const { return !defaultValue_.IsNull(); }

 private:
  String defaultCaption_;
  Variant defaultValue_ = Null();
};

class TcxRadioGroupProperties : public TcxCustomRadioGroupProperties {
  KORVAN_CLASS(TcxRadioGroupProperties, TcxCustomRadioGroupProperties)

 public:
  using TcxCustomRadioGroupProperties::TcxCustomRadioGroupProperties;
};

// ---- view data and view info --------------------------------------------------------------------

struct TcxButtonGroupMetrics {
  Integer LeftMargin = 0, WidthCorrection = 0, ColumnSpacing = 0;
  TSize GlyphSize;
  Integer GlyphTextGapWide = 0, GlyphTextGap = 0, SizeMargin = 0, SizeWidthCorrection = 0;
};

// One laid-out button of a group (its column and row and caption).
class TcxGroupButtonViewInfo : public TcxEditButtonViewInfo {
  KORVAN_CLASS(TcxGroupButtonViewInfo, TcxEditButtonViewInfo)

 public:
  Integer Column = 0, Row = 0;
  // The glyph rectangle: vertically centred, at the left edge for a caption right of it.
  virtual TRect GlyphBoundsFor(const TSize& glyph_size, TAlignment alignment, bool paint_copy);
};

class TcxButtonGroupViewInfo : public TcxGroupBoxViewInfo {
  KORVAN_CLASS(TcxButtonGroupViewInfo, TcxGroupBoxViewInfo)

 public:
  TRect CaptionExtent;
  TSize GlyphSize;
  TcxGroupButtonViewInfo* GroupButton(Integer i) const {
    return static_cast<TcxGroupButtonViewInfo*>(Buttons[size_t(i)].get());
  }
  void DrawEditor(TcxCanvas* canvas) override;
  void PaintButtonAt(TcxCanvas* canvas, Integer index) override;
  virtual void DrawButtonCaption(TcxCanvas* canvas, TcxGroupButtonViewInfo* button, const TRect& glyph) = 0;
  virtual void DrawButtonGlyph(TcxCanvas* canvas, TcxGroupButtonViewInfo* button, const TRect& glyph) = 0;
  virtual bool IsButtonGlyphTransparent(TcxGroupButtonViewInfo* button) = 0;
};

class TcxCustomRadioGroupViewInfo : public TcxButtonGroupViewInfo {
  KORVAN_CLASS(TcxCustomRadioGroupViewInfo, TcxButtonGroupViewInfo)

 public:
  Integer ItemIndex = -1;
  void DrawButtonCaption(TcxCanvas* canvas, TcxGroupButtonViewInfo* button, const TRect& glyph) override;
  void DrawButtonGlyph(TcxCanvas* canvas, TcxGroupButtonViewInfo* button, const TRect& glyph) override;
  bool IsButtonGlyphTransparent(TcxGroupButtonViewInfo* button) override;
};

class TcxButtonGroupViewData : public TcxGroupBoxViewData {
  KORVAN_CLASS(TcxButtonGroupViewData, TcxGroupBoxViewData)

 public:
  using TcxGroupBoxViewData::TcxGroupBoxViewData;
  TcxCustomButtonGroupProperties* GroupProperties() const {
    return static_cast<TcxCustomButtonGroupProperties*>(Properties);
  }
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p, Integer button,
                         TShiftState shift, TcxCustomEditViewInfo* view_info, bool is_mouse_event) override;
  void CalculateButtonsViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p, Integer button,
                                TShiftState shift, TcxCustomEditViewInfo* view_info,
                                bool is_mouse_event) override;
  void CalculateEditSizeForValue(TcxCanvas* canvas, const TcxEditSizeProperties& request,
                                 TSize& min_content_size, TcxCustomEditViewInfo* view_info,
                                 TSize& size) override;
  virtual void CalculateButtonPositions(TcxCanvas* canvas, TcxButtonGroupViewInfo* view_info);
  virtual void InitButtons(TcxButtonGroupViewInfo* view_info);
  virtual UINT GetButtonDrawTextFlags();
  virtual void GetButtonMetrics(bool with_sizes, TcxCanvas* canvas, TcxButtonGroupMetrics& metrics) = 0;
  virtual TRect GetCaptionExtent() { return TRect(); }
  virtual void CalculateButtonNativeState(TcxButtonGroupViewInfo* view_info, TcxGroupButtonViewInfo* button) = 0;
  virtual bool IsButtonNativeStyle();
};

class TcxCustomRadioGroupViewData : public TcxButtonGroupViewData {
  KORVAN_CLASS(TcxCustomRadioGroupViewData, TcxButtonGroupViewData)

 public:
  using TcxButtonGroupViewData::TcxButtonGroupViewData;
  TcxCustomRadioGroupProperties* RadioProperties() const {
    return static_cast<TcxCustomRadioGroupProperties*>(Properties);
  }
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p, Integer button,
                         TShiftState shift, TcxCustomEditViewInfo* view_info, bool is_mouse_event) override;
  void FillDisplayText(TcxCanvas* canvas, const Variant& edit_value, TcxCustomEditViewInfo* view_info) override;
  void GetButtonMetrics(bool with_sizes, TcxCanvas* canvas, TcxButtonGroupMetrics& metrics) override;
  void CalculateButtonNativeState(TcxButtonGroupViewInfo* view_info, TcxGroupButtonViewInfo* button) override;
};

// ---- the controls ----------------------------------------------------------------------------------

class TcxCustomRadioGroup;

// The child button of a radio group: its look, focus, keys and value changes go to the group.
class TcxCustomRadioGroupButton : public TcxRadioButton {
  KORVAN_CLASS(TcxCustomRadioGroupButton, TcxRadioButton)

 public:
  explicit TcxCustomRadioGroupButton(TComponent* owner);
  ~TcxCustomRadioGroupButton() override;
  TcxCustomRadioGroup* Group() const;

  void SetChecked(bool v) override;
  bool IsInplace() override;
  bool IsNativeStyle() override;
  bool IsTransparent() override;
  bool UsesParentBackground() override;
  bool ExecuteAction(TBasicAction* action) override;
  bool UpdateAction(TBasicAction* action) override;
  bool CanFocus() override;
  // Selects this button in the group as a user change (ItemIndex and ImmediatePost).
  void SelectInGroup();

 protected:
  void CNCommand(TMessage& m) override;
  void WMGetDlgCode(TMessage& m) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void DoEnter() override;
  void DoExit() override;
  void Click() override;
  // The mouse reaches the group too, in the group's coordinates.
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;

 private:
  bool inClickNotification_ = false;
};

class TcxCustomButtonGroup : public TcxCustomGroupBox {
  KORVAN_CLASS(TcxCustomButtonGroup, TcxCustomGroupBox)

 public:
  TcxCustomButtonGroup(TComponent* owner, bool in_place, TClass properties_class);
  ~TcxCustomButtonGroup() override;
  TcxCustomButtonGroupProperties* GroupProperties() {
    return static_cast<TcxCustomButtonGroupProperties*>(GetEffectiveProperties());
  }
  Integer ButtonCount() const { return Integer(buttons_.size()); }
  TcxRadioButton* Button(Integer i) const { return buttons_.at(size_t(i)); }
  TcxButtonGroupViewInfo* ButtonsViewInfo() { return dynamic_cast<TcxButtonGroupViewInfo*>(GetEditViewInfo()); }

  virtual void ArrangeButtons();
  virtual TcxRadioButton* CreateButton() = 0;
  virtual void InitializeButton(TcxRadioButton* button);
  virtual void SetButtonCount(Integer count);
  virtual void UpdateButtonsStyle();
  virtual void SynchronizeButtons();
  // The index of the button holding the focus, -1 for none.
  Integer FocusedButtonIndex();
  bool HasFocusInside() override;

  void PropertiesChanged(TcxCustomEditProperties* properties) override;
  bool RefreshState(const TPoint& p, Integer button, TShiftState shift, bool is_mouse_event) override;
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  friend class TcxCustomRadioGroupButton;

 protected:
  void CreateWnd() override;
  void CMEnabledChanged(TMessage& m) override;
  std::vector<TcxRadioButton*> buttons_;
  bool destroyingButtons_ = false;
};

class TcxCustomRadioGroup : public TcxCustomButtonGroup {
  KORVAN_CLASS(TcxCustomRadioGroup, TcxCustomButtonGroup)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomRadioGroup(TComponent* owner)
      : TcxCustomRadioGroup(owner, false, TcxCustomRadioGroupProperties::StaticClass()) {}
  TcxCustomRadioGroup(TComponent* owner, bool in_place, TClass properties_class);

  TcxCustomRadioGroupProperties* ActiveProperties() {
    return static_cast<TcxCustomRadioGroupProperties*>(GetEffectiveProperties());
  }
  TcxCustomRadioGroupButton* RadioButton(Integer i) const {
    return static_cast<TcxCustomRadioGroupButton*>(Button(i));
  }
  Integer ItemIndex();
  void SetItemIndex(Integer v);
  Variant DisplayToEditValue(Integer index) { return ActiveProperties()->ValueOfIndex(index); }

  TcxRadioButton* CreateButton() override;
  void SynchronizeButtons() override;
  void UpdateButtonsStyle() override;
  void ClearValue() override { SetItemIndex(-1); }
  void InternalSetEditValue(const Variant& value, bool flag) override;
  void ApplyValueAndIndex(const Variant& value, Integer index);
  void SelectButton(Integer index);
  void Dispatch(TMessage& m) override;
  void GetTabOrderList(std::vector<TWinControl*>& list) override;

 protected:
  void Loaded() override;
  void CMDialogChar(TMessage& m) override;
  bool Busy() const;
  Integer keptIndex_ = -1;
};

class TcxRadioGroup : public TcxCustomRadioGroup {
  KORVAN_CLASS(TcxRadioGroup, TcxCustomRadioGroup)

 public:
  using CreateArgType = TComponent*;
  explicit TcxRadioGroup(TComponent* owner)
      : TcxCustomRadioGroup(owner, false, TcxRadioGroupProperties::StaticClass()) {}
  TcxRadioGroup(TComponent* owner, bool in_place, TClass properties_class)
      : TcxCustomRadioGroup(owner, in_place, properties_class) {}
  TcxRadioGroupProperties* Properties() const {
    return static_cast<TcxRadioGroupProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxRadioGroupProperties* v) { TcxCustomEdit::SetProperties(v); }
};

// Private message: focus the radio button of the item WParam.
constexpr UINT CM_CXRADIOGROUPFOCUSITEM = 0x806A;

void InitializeCxRadioGroup();
