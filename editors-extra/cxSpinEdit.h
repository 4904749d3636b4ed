// The spin edit: a numeric mask editor whose up and down buttons (and optional fast buttons),
// arrow and page keys and the mouse wheel step its value by an increment, with auto-repeat
// while a button is held. The stepping engine (SpinAddStep, SpinNextValue) is shared with the
// time edit.
#pragma once

#include "editors/cxMaskEdit.h"

class TcxTimer;

enum TcxSpinEditButtonsPosition { sbpHorzLeftRight, sbpHorzRight, sbpVert };
enum TcxSpinEditValueType { vtInt, vtFloat };

// Step kinds: the index of a spin button and the argument of every step.
enum : Integer { cxSpinDown = 0, cxSpinUp = 1, cxSpinFastDown = 2, cxSpinFastUp = 3 };
inline bool IsIncreasingSpinKind(Integer kind) { return kind == cxSpinUp || kind == cxSpinFastUp; }

// Wrap modes: 0 no step beyond the range, 1 clamp to the range, 2 circular.
enum : Integer { cxSpinNoWrap = 0, cxSpinClamp = 1, cxSpinCircular = 2 };

// One step of Delta from Cur inside Min..Max, all of the value type (vtInt: 64-bit integers,
// vtFloat: doubles). False when the wrap mode allows no step. A circular step runs through the
// range as a cycle of Max - Min + 1 values, whatever the size of Delta.
bool SpinAddStep(const Variant& cur, const Variant& delta, const Variant& min, const Variant& max,
                 Integer wrap_mode, TcxSpinEditValueType value_type, Variant& result);
// The next value from Cur for a step of Delta in the direction of Increasing: a value outside
// the range first comes back to its near bound (or, circular, to the far one).
bool SpinNextValue(const Variant& cur, const Variant& delta, bool increasing, const Variant& min,
                   const Variant& max, Integer wrap_mode, TcxSpinEditValueType value_type,
                   Variant& result);
// A value as the value type (varDouble or varInt64); Null and empty text give 0.
Variant SpinValueOfType(const Variant& v, TcxSpinEditValueType value_type);

class TcxSpinEditButtons : public TPersistent {
  KORVAN_CLASS(TcxSpinEditButtons, TPersistent)

 public:
  explicit TcxSpinEditButtons(TcxCustomEditProperties* owner) : owner_(owner) {}
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() const override { return owner_; }
  TcxSpinEditButtonsPosition Position() const { return position_; }
  void SetPosition(TcxSpinEditButtonsPosition v);
  bool ShowFastButtons() const { return showFastButtons_; }
  void SetShowFastButtons(bool v);

 private:
  TcxCustomEditProperties* owner_;
  TcxSpinEditButtonsPosition position_ = sbpVert;
  bool showFastButtons_ = false;
};

class TcxSpinEditPropertiesValues : public TcxTextEditPropertiesValues {
  KORVAN_CLASS(TcxSpinEditPropertiesValues, TcxTextEditPropertiesValues)

 public:
  using TcxTextEditPropertiesValues::TcxTextEditPropertiesValues;
  void Assign(TPersistent* source) override;
  void RestoreDefaults() override;
  bool ValueType() const { return valueType_; }
  void SetValueType(bool v);

 private:
  bool valueType_ = false;
};

using TcxSpinEditGetValueEvent = std::function<void(TObject* sender, const String& text, Variant& value,
                                                    String& error_text, bool& error)>;

class TcxCustomSpinEdit;

class TcxCustomSpinEditProperties : public TcxCustomMaskEditProperties {
  KORVAN_CLASS(TcxCustomSpinEditProperties, TcxCustomMaskEditProperties)

 public:
  explicit TcxCustomSpinEditProperties(TPersistent* owner);
  ~TcxCustomSpinEditProperties() override;
  void Assign(TPersistent* source) override;
  void NotifyPropertiesChanged() override;

  // The stepping rules of the kind (the time edit answers differently).
  virtual bool ClampsOutOfRange() { return true; }
  virtual Integer WrapMode();
  virtual Variant MaxValueAsValue();
  virtual Variant MinValueAsValue();
  virtual bool ChecksTextRange() { return true; }
  virtual Variant ConvertValue(const Variant& v);
  virtual bool KeepsSelectionOnSpin() { return false; }

  // A numeric value below or above an applicable bound becomes that bound.
  Variant ClampValue(const Variant& v);
  // The text as a number of the value type; False (and Null) when it does not convert.
  bool TextToNumber(const String& text, Variant& v);

  TClass GetContainerClass() override;
  bool HasNumericValue() override { return true; }
  bool AcceptDisplayText(Variant& display_value, bool edit_focused) override;
  bool IsEditValueValid(Variant& edit_value, bool edit_focused) override;
  void ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                            IcxEditValidator* edit) override;
  TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                        bool hide_display_text = false) override;
  TcxCustomEditViewInfo* CreateViewInfo() override;
  String BlankValueDisplayText();

  TcxSpinEditPropertiesValues* AssignedValues() const {
    return static_cast<TcxSpinEditPropertiesValues*>(TcxCustomEditProperties::AssignedValues());
  }
  TcxSpinEditButtons* SpinButtons() const { return spinButtons_.get(); }
  void SetSpinButtons(TcxSpinEditButtons* v) { spinButtons_->Assign(v); }
  bool CanEdit() const { return canEdit_; }
  void SetCanEdit(bool v) { SetAndNotify(canEdit_, v); }
  bool Circular() const { return circular_; }
  void SetCircular(bool v) { SetAndNotify(circular_, v); }
  bool ExceptionOnInvalidInput() const { return exceptionOnInvalidInput_; }
  void SetExceptionOnInvalidInput(bool v) { SetAndNotify(exceptionOnInvalidInput_, v); }
  double Increment() const { return increment_; }
  void SetIncrement(double v) { SetAndNotify(increment_, v); }
  double LargeIncrement() const { return largeIncrement_; }
  void SetLargeIncrement(double v) { SetAndNotify(largeIncrement_, v); }
  bool UseCtrlIncrement() const { return useCtrlIncrement_; }
  void SetUseCtrlIncrement(bool v) { SetAndNotify(useCtrlIncrement_, v); }
  TcxSpinEditValueType ValueType();
  void SetValueType(TcxSpinEditValueType v);
  bool IsValueTypeStored() const { return AssignedValues()->ValueType(); }

  TcxSpinEditGetValueEvent OnGetValue;

 private:
  std::unique_ptr<TcxSpinEditButtons> spinButtons_;
  bool canEdit_ = true;
  bool circular_ = false;
  bool exceptionOnInvalidInput_ = false;
  double increment_ = 1.0;
  double largeIncrement_ = 10.0;
  bool useCtrlIncrement_ = false;
  TcxSpinEditValueType valueType_ = vtFloat;
  bool inChanged_ = false;
};

class TcxSpinEditProperties : public TcxCustomSpinEditProperties {
  KORVAN_CLASS(TcxSpinEditProperties, TcxCustomSpinEditProperties)

 public:
  using TcxCustomSpinEditProperties::TcxCustomSpinEditProperties;
};

// Lays the spin buttons out by position (with fast buttons), and draws them pressed while a
// key holds them.
class TcxSpinEditViewData : public TcxCustomTextEditViewData {
  KORVAN_CLASS(TcxSpinEditViewData, TcxCustomTextEditViewData)

 public:
  using TcxCustomTextEditViewData::TcxCustomTextEditViewData;
  Integer PressedByKey = 0;

  bool IsButtonForcedPressed(TcxCustomEditViewInfo* view_info, Integer index) override;
  bool CanPressButton(TcxCustomEditViewInfo* view_info, Integer index) override { return PressedByKey == 0; }
  void CalculateButtonsViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p, Integer button,
                                TShiftState shift, TcxCustomEditViewInfo* view_info,
                                bool is_mouse_event) override;
  void CalculateButtonBounds(TcxCanvas* canvas, TcxCustomEditViewInfo* view_info, Integer index,
                             TRect& r) override;
  // The spin theme's parts and states instead of the push button's.
  void CalculateButtonNativeInfo(TcxEditButtonViewInfo* button) override;

  TcxCustomSpinEditProperties* SpinProperties() const {
    return static_cast<TcxCustomSpinEditProperties*>(Properties);
  }

 private:
  std::vector<TRect> layout_;
};

class TcxSpinEditViewInfo : public TcxCustomTextEditViewInfo {
  KORVAN_CLASS(TcxSpinEditViewInfo, TcxCustomTextEditViewInfo)

 public:
  TcxSpinEditButtonsPosition ButtonsPosition = sbpVert;
  Integer ArrowSize = 0;
  bool FastButtons = false;
  void DrawEditor(TcxCanvas* canvas) override;
  void DrawButtonSymbol(TcxCanvas* canvas, Integer index, const TRect& r, TColor text_color,
                        TColor background_color, bool pressed_shift) override;
  // The hot-flat, ultra-flat and Office11 buttons draw the sides their place in the group
  // needs; the others as every edit button.
  void DrawButtonBorder(TcxCanvas* canvas, Integer index, TRect& fill_rect, TRect& content_rect,
                        TColor& text_color, TColor& background_color) override;
  void DrawNativeButtonBackground(TcxCanvas* canvas, TcxEditButtonViewInfo* button, const TRect& r) override;

 private:
  void DrawHotFlatBorder(TcxCanvas* canvas, TcxEditButtonViewInfo* b, TRect& r, TColor& text_color,
                         TColor& background);
  void DrawUltraFlatBorder(TcxCanvas* canvas, TcxEditButtonViewInfo* b, TRect& r, TColor& background);
};

class TcxCustomSpinEdit : public TcxCustomMaskEdit {
  KORVAN_CLASS(TcxCustomSpinEdit, TcxCustomMaskEdit)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomSpinEdit(TComponent* owner)
      : TcxCustomSpinEdit(owner, false, TcxCustomSpinEditProperties::StaticClass()) {}
  TcxCustomSpinEdit(TComponent* owner, bool in_place, TClass properties_class);
  ~TcxCustomSpinEdit() override;

  TcxCustomSpinEditProperties* SpinProperties() {
    return static_cast<TcxCustomSpinEditProperties*>(GetEffectiveProperties());
  }

  // The stepping operations of the kind.
  virtual Variant GetIncrement(Integer kind);
  virtual Variant GetValue();
  virtual String ValueToDisplayText(const Variant& v);
  virtual void SetValue(const Variant& v);
  virtual bool DoSpin(Integer kind);
  Variant Value() { return GetValue(); }
  // The next value of a step of Kind from the current value; False when there is none.
  bool NextValue(Integer kind, Variant& v);
  bool TextToValue(const String& text, bool raise_on_error, String& error_text, Variant& v);
  void StoreValue(const Variant& v);
  Variant StoredValue() const { return storedValue_; }
  bool Typed() const { return typed_; }
  Integer PressedByKey() const { return pressedByKey_; }
  void StopSpinning();

  void DisplayToEditValue(const Variant& display_value, Variant& edit_value, bool edit_focused) override;
  Variant GetDisplayValue() override { return GetValue(); }
  void SynchronizeDisplayValue() override;
  void UpdateEditValueFromDisplay() override;
  void DataChanged() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void ClearSelectionText() override;
  bool AcceptsChar(char32_t c) override;
  void PropertiesChanged(TcxCustomEditProperties* properties) override;
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  void DoEditKeyPress(char32_t& key) override;
  void DoEditKeyUp(Word& key, TShiftState shift) override;
  void DoButtonDown(Integer index) override;
  void DoButtonUp(Integer index) override;
  void FillViewInfoState(TcxCustomEditViewData* view_data) override;
  void EnforceValueRange();
  void DblClick() override;

 protected:
  bool DoMouseWheel(TShiftState shift, Integer delta, TPoint mouse_pos) override;
  void DoExit() override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  bool spinning_ = false;

 private:
  void RepeatTick(TObject* sender);
  void WithPendingTyped(const std::function<void()>& action);
  bool IsStepKey(Word key, TShiftState shift, Integer& kind);

  Variant storedValue_;
  bool typed_ = false;
  bool pendingTyped_ = false;
  Integer pressedByKey_ = 0;
  TcxTimer* repeatTimer_ = nullptr;
};

class TcxSpinEdit : public TcxCustomSpinEdit {
  KORVAN_CLASS(TcxSpinEdit, TcxCustomSpinEdit)

 public:
  explicit TcxSpinEdit(TComponent* owner)
      : TcxCustomSpinEdit(owner, false, TcxSpinEditProperties::StaticClass()) {}
  TcxSpinEditProperties* Properties() const {
    return static_cast<TcxSpinEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxSpinEditProperties* value) { Properties()->Assign(value); }
};

class TcxFilterSpinEditHelper : public TcxFilterMaskEditHelper {
  KORVAN_CLASS(TcxFilterSpinEditHelper, TcxFilterMaskEditHelper)

 public:
  TClass ValueEditClass() const override;
  void SupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass value_type,
                          TcxFilterControlOperators& operators, bool extended) const override;
  void PrepareFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* source,
                               bool keep_buttons) const override;
};

// The unit start: the properties registry entry and the filter helper.
void InitializeCxSpinEdit();
