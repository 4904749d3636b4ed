// The calculator: a control of 27 painted buttons with a four-function engine, memory,
// percent, square root, reciprocal and sign change, driven by mouse and keyboard, whose
// display is a text a descendant connects (the popup calculator uses its editor's text); and
// the calculator editor, a numeric popup editor with that calculator in its drop-down.
#pragma once

#include <array>

#include "editors/cxPopupEdit.h"
#include "foundation/cxControls.h"

// Button kinds; the kind is the button's index, ckNone (27) stands for no button.
enum TcxCalcButtonKind : Byte {
  ckBack, ckClearEntry, ckClearAll, ckMemoryClear, ckMemoryRecall, ckMemoryStore, ckMemoryAdd,
  ckDigit0, ckDigit1, ckDigit2, ckDigit3, ckDigit4, ckDigit5, ckDigit6, ckDigit7, ckDigit8, ckDigit9,
  ckNegate, ckDecimalPoint, ckDivide, ckMultiply, ckSubtract, ckAdd, ckSquareRoot, ckPercent,
  ckReciprocal, ckEquals, ckNone
};
constexpr Integer CalcButtonCount = 27;

struct TcxCalcButton {
  TcxCalcButtonKind Kind = ckNone;
  String Caption;
  TColor CaptionColor = clBlack;
  TRect Bounds;
  bool Down = false;
  bool Grayed = false;
};

// Engine status: starting a new number, typing a number, showing the error.
enum TcxCalcStatus : Byte { csStart, csTyping, csError };

using TcxCalcButtonPressEvent = std::function<void(TObject* sender, TcxCalcButtonKind& kind)>;
using TcxCalcPopupHideEvent = std::function<void(TObject* sender, Byte reason)>;

// The text the calculator shows on an error.
String CalcErrorText();
// A number as the calculator writes it: the general format with max(2, precision)
// significant digits in the locale's decimal separator.
String CalcNumberText(long double value, Integer precision);

class TcxCustomCalculator : public TcxControl {
  KORVAN_CLASS(TcxCustomCalculator, TcxControl)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomCalculator(TComponent* owner);

  // The display: empty and ignored in the base; a descendant connects a text.
  virtual String GetDisplayText() { return String(); }
  virtual void SetDisplayText(const String&) {}
  virtual TcxCustomLookAndFeelPainterClass GetPainter();
  virtual void HidePopup(Byte reason);

  // The engine.
  void ButtonClick(TcxCalcButtonKind kind);
  // 0 in the error status, else the display text as a number (raises EConvertError when it
  // is none).
  long double DisplayValue();
  void SetDisplayValue(long double value);
  void CopyToClipboard();
  void PasteFromClipboard();
  // Sizing: metrics from the client size (ScaleFontWithSize) or the font, buttons laid out
  // again, the engine reset.
  void ScaleToClient();
  void ResetEngine();
  TcxCalcButtonKind ButtonAt(const TPoint& p) const;

  const TcxCalcButton& Button(TcxCalcButtonKind kind) const { return buttons_[kind]; }
  TcxCalcStatus Status() const { return status_; }
  TcxCalcButtonKind PendingOperator() const { return pending_; }
  long double Accumulator() const { return accumulator_; }
  long double Memory() const { return memory_; }
  TcxCalcButtonKind HotButton() const { return hotButton_; }
  TcxCalcButtonKind MousePressedButton() const { return mousePressed_; }
  TcxCalcButtonKind KeyPressedButton() const { return keyPressed_; }
  Integer ButtonHeight() const { return buttonHeight_; }
  Integer ButtonWidth() const { return buttonWidth_; }
  Integer TopButtonWidth() const { return topButtonWidth_; }
  Integer ButtonGap() const { return gap_; }
  Integer ButtonFontSize() const { return fontSize_; }
  Integer TotalWidth() const { return 6 * buttonWidth_ + 8 * gap_ + 4; }
  Integer TotalHeight() const { return 5 * buttonHeight_ + 6 * gap_; }

  bool BeepOnError() const { return beepOnError_; }
  void SetBeepOnError(bool v) { beepOnError_ = v; }
  Integer Precision() const { return precision_; }
  void SetPrecision(Integer v) { precision_ = v; }
  bool ScaleFontWithSize() const { return scaleFontWithSize_; }
  void SetScaleFontWithSize(bool v);
  bool FocusFrameOnEquals() const { return focusFrameOnEquals_; }
  void SetFocusFrameOnEquals(bool v);

  TcxCalcButtonPressEvent OnButtonPress;
  TNotifyEvent OnDisplayChanged;
  TNotifyEvent OnResultReady;
  TcxCalcPopupHideEvent OnPopupHide;

  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void KeyUp(Word& key, TShiftState shift) override;

 protected:
  // The popup calculator takes no focus on mouse down.
  bool isPopup_ = false;
  void Paint() override;
  void Resize() override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void NotifyMouseLeave(TControl* control) override;
  void NotifyFocusChanged() override;
  void CMEnabledChanged(TMessage& m) override;
  void CMFontChanged(TMessage& m) override;
  void ReleaseKeyButton();

 private:
  void LayoutButtons();
  void RepaintButton(TcxCalcButtonKind kind, bool at_once = false);
  void UpdateMemoryButtons();
  void StartNumber();
  void ShowError();
  void Beep();
  bool TracksHot();
  void PressKeyButton(TcxCalcButtonKind kind);
  static TcxCalcButtonKind KeyToButton(Word key, TShiftState shift);
  static TcxCalcButtonKind CharToButton(char32_t c);

  std::array<TcxCalcButton, CalcButtonCount> buttons_;
  bool beepOnError_ = true;
  Integer precision_ = 15;
  bool scaleFontWithSize_ = true;
  bool focusFrameOnEquals_ = true;
  Integer buttonHeight_ = 22, buttonWidth_ = 28, topButtonWidth_ = 47, gap_ = 3, fontSize_ = 8;
  TcxCalcStatus status_ = csStart;
  TcxCalcButtonKind pending_ = ckEquals;
  long double accumulator_ = 0, memory_ = 0;
  TcxCalcButtonKind hotButton_ = ckNone, mousePressed_ = ckNone, keyPressed_ = ckNone;
  bool tracking_ = false;
  bool resizing_ = false;
};

class TcxCustomCalcEdit;

// The calculator of the calculator editor's drop-down: its display is the editor's text.
class TcxPopupCalculator : public TcxCustomCalculator {
  KORVAN_CLASS(TcxPopupCalculator, TcxCustomCalculator)

 public:
  using CreateArgType = TComponent*;
  explicit TcxPopupCalculator(TComponent* owner);
  TcxCustomCalcEdit* Edit = nullptr;

  String GetDisplayText() override;
  void SetDisplayText(const String& text) override;
  TcxCustomLookAndFeelPainterClass GetPainter() override;
  // Forgets the keyboard-pressed button (the popup shows).
  virtual void ResetKeyButton();
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;

 protected:
  void CreateParams(TCreateParams& params) override;
};

// ---- the calculator editor ----------------------------------------------------------------------------

class TcxCalcEditPropertiesValues : public TcxTextEditPropertiesValues {
  KORVAN_CLASS(TcxCalcEditPropertiesValues, TcxTextEditPropertiesValues)

 public:
  using TcxTextEditPropertiesValues::TcxTextEditPropertiesValues;
  void Assign(TPersistent* source) override;
  void RestoreDefaults() override;
  bool Precision() const { return precision_; }
  void SetPrecision(bool v);

 private:
  bool precision_ = false;
};

// The exponent format of the calculator editor: one digit, the decimal separator, precision
// - 1 further digits, "E", the exponent's sign and its digits without leading zeros.
String CalcExponentText(double value, Integer precision);
// Removes the zeros at the end of the mantissa (and a separator left last); keeps the exponent.
String TrimCalcExponentText(const String& text);

class TcxCustomCalcEditProperties : public TcxCustomPopupEditProperties {
  KORVAN_CLASS(TcxCustomCalcEditProperties, TcxCustomPopupEditProperties)

 public:
  explicit TcxCustomCalcEditProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;
  TClass GetContainerClass() override;
  bool KeepsPopupInsideWorkArea() override { return false; }
  // With ImmediatePost the value is validated and posted once the popup has closed.
  bool PostsOnPopupClosed() override { return true; }
  TClass GetPopupWindowClass() override;
  bool UsesThousandSeparators(bool) override { return useThousandSeparator_ && !scientificFormat_; }
  bool HasNumericValue() override { return true; }
  bool AcceptDisplayText(Variant&, bool) override { return true; }
  bool IsEditValueValid(Variant& edit_value, bool edit_focused) override;
  bool UsesFieldDisplayText(bool edit_focused) override;
  void PrepareDisplayValue(const Variant& edit_value, Variant& display_value, bool edit_focused) override;
  void ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                            IcxEditValidator* edit) override;
  // The display text of a number (focused, or without DisplayFormat).
  String NumberText(double value);

  TcxCalcEditPropertiesValues* AssignedValues() const {
    return static_cast<TcxCalcEditPropertiesValues*>(TcxCustomEditProperties::AssignedValues());
  }
  // The assigned precision, else the field's (15 without a provider); never above 15.
  Integer Precision();
  void SetPrecision(Integer v);
  bool IsPrecisionStored() const { return AssignedValues()->Precision(); }
  bool QuickClose() const { return quickClose_; }
  void SetQuickClose(bool v) { SetAndNotify(quickClose_, v); }
  bool ScientificFormat() const { return scientificFormat_; }
  void SetScientificFormat(bool v) { SetAndNotify(scientificFormat_, v); }
  bool UseThousandSeparator() const { return useThousandSeparator_; }
  void SetUseThousandSeparator(bool v) { SetAndNotify(useThousandSeparator_, v); }

 private:
  Integer precision_ = 15;
  bool quickClose_ = false;
  bool scientificFormat_ = false;
  bool useThousandSeparator_ = false;
};

class TcxCalcEditProperties : public TcxCustomCalcEditProperties {
  KORVAN_CLASS(TcxCalcEditProperties, TcxCustomCalcEditProperties)

 public:
  using TcxCustomCalcEditProperties::TcxCustomCalcEditProperties;
};

// The drop-down window: Enter goes to the calculator (it computes, then closes).
class TcxCalcEditPopupWindow : public TcxPopupEditPopupWindow {
  KORVAN_CLASS(TcxCalcEditPopupWindow, TcxPopupEditPopupWindow)

 public:
  using CreateArgType = TWinControl*;
  using TcxPopupEditPopupWindow::TcxPopupEditPopupWindow;

 protected:
  void KeyDown(Word& key, TShiftState shift) override;
};

class TcxCustomCalcEdit : public TcxCustomPopupEdit {
  KORVAN_CLASS(TcxCustomCalcEdit, TcxCustomPopupEdit)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomCalcEdit(TComponent* owner)
      : TcxCustomCalcEdit(owner, false, TcxCustomCalcEditProperties::StaticClass()) {}
  TcxCustomCalcEdit(TComponent* owner, bool in_place, TClass properties_class);
  ~TcxCustomCalcEdit() override;

  TcxCustomCalcEditProperties* CalcProperties() {
    return static_cast<TcxCustomCalcEditProperties*>(GetEffectiveProperties());
  }
  TcxPopupCalculator* Calculator() const { return calculator_; }
  double Value();
  void SetValue(double v);
  // Whether a typed character leaves the text a number.
  bool CanAcceptChar(char32_t c);
  void EditKeyDown(Word& key, TShiftState shift) { DoEditKeyDown(key, shift); }

  void DisplayToEditValue(const Variant& display_value, Variant& edit_value, bool edit_focused) override;
  Variant GetDisplayValue() override;
  void PasteFromClipboard() override;
  bool CanDropDown() override;
  void DoInitPopup() override;
  void DropDown() override;
  void CreatePopupWindow() override;
  void SetupPopupWindow() override;
  void PopupWindowShown() override;
  void PopupWindowClosed() override;
  void PropertiesChanged(TcxCustomEditProperties* properties) override;

 protected:
  void DoEditKeyPress(char32_t& key) override;
  void DoEnter() override;
  void DoExit() override;

 private:
  TcxPopupCalculator* calculator_ = nullptr;
};

class TcxCalcEdit : public TcxCustomCalcEdit {
  KORVAN_CLASS(TcxCalcEdit, TcxCustomCalcEdit)

 public:
  explicit TcxCalcEdit(TComponent* owner) : TcxCustomCalcEdit(owner, false, TcxCalcEditProperties::StaticClass()) {}
  TcxCalcEditProperties* Properties() const {
    return static_cast<TcxCalcEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxCalcEditProperties* value) { Properties()->Assign(value); }
};

class TcxFilterCalcEditHelper : public TcxFilterMaskEditHelper {
  KORVAN_CLASS(TcxFilterCalcEditHelper, TcxFilterMaskEditHelper)

 public:
  TClass ValueEditClass() const override;
  void SupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass value_type,
                          TcxFilterControlOperators& operators, bool extended) const override;
  void PrepareFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* source,
                               bool keep_buttons) const override;
};

// The unit start: the properties registry entry and the filter helper.
void InitializeCxCalc();
