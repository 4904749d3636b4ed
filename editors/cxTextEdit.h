// The text kind: its properties (display texts from values with formats, providers and
// ranges, case and password echo, lookup items) and its view data and view info, which lay
// out and paint text cells and text editors.
#pragma once

#include "editors/cxDrawTextUtils.h"
#include "editors/cxEdit.h"
#include "editors/cxFormats.h"
#include "rtl/SysUtils.h"
#include "vcl/StdCtrls.h"

enum TcxEditEchoMode { eemNormal, eemPassword };
enum TcxTextEditingStyle { tesFreeText, tesListOrText, tesListOnly, tesNoTyping };
enum TcxTextEditViewStyle { vsNormal, vsHideCursor, vsButtonsOnly, vsButtonsAutoWidth };

class TcxTextEditPropertiesValues : public TcxCustomEditPropertiesValues {
  KORVAN_CLASS(TcxTextEditPropertiesValues, TcxCustomEditPropertiesValues)

 public:
  using TcxCustomEditPropertiesValues::TcxCustomEditPropertiesValues;
  void Assign(TPersistent* source) override;
  void RestoreDefaults() override;
  bool DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(bool v) { SetFlag(displayFormat_, v); }
  bool EditFormat() const { return editFormat_; }
  void SetEditFormat(bool v) { SetFlag(editFormat_, v); }
  bool MaxLength() const { return maxLength_; }
  void SetMaxLength(bool v);
  bool MaxValue() const { return maxValue_; }
  void SetMaxValue(bool v) { SetFlag(maxValue_, v); }
  bool MinValue() const { return minValue_; }
  void SetMinValue(bool v) { SetFlag(minValue_, v); }
  // Stored tests: a flag carries an assignment whose value the stream would not write.
  bool IsDisplayFormatStored() const;
  bool IsEditFormatStored() const;
  bool IsMaxValueStored() const;
  bool IsMinValueStored() const;

 private:
  void SetFlag(bool& flag, bool v) {
    if (flag == v) return;
    flag = v;
    NotifyPropertiesChanged();
  }
  bool displayFormat_ = false, editFormat_ = false, maxLength_ = false, maxValue_ = false,
       minValue_ = false;
};

class TcxCustomTextEditProperties : public TcxCustomEditProperties,
                                    public IcxFormatSettingsListener {
  KORVAN_CLASS(TcxCustomTextEditProperties, TcxCustomEditProperties)

 public:
  explicit TcxCustomTextEditProperties(TPersistent* owner);
  ~TcxCustomTextEditProperties() override;
  void Assign(TPersistent* source) override;

  // The locale changed (the format controller tells).
  void FormatChanged() override;
  virtual void CheckValueBounds(const Variant& display_value, String& error_text, bool& error);
  virtual bool MatchesLookupItem(const String& text);
  virtual void GetBuiltInDisplayFormat(String& format) { format.clear(); }
  virtual Integer ProviderMaxLength();
  virtual TcxTextEditingStyle GetEditingStyle() { return hideCursor_ ? tesNoTyping : tesFreeText; }
  virtual bool UsesThousandSeparators(bool editing) { return false; }
  virtual void GetEditFormatInfo(bool& is_currency, bool& implicit_format, String& format);
  virtual bool HasNumericValue() { return false; }
  virtual bool IsMultiLine() { return false; }
  virtual bool HasValueBound(Integer kind);
  virtual bool HasValueRange();
  virtual void MaxLengthChanged() { NotifyPropertiesChanged(); }
  virtual bool UsesLookupData() { return true; }
  virtual void AdjustDisplayText(String& text);
  virtual bool AcceptDisplayText(Variant& display_value, bool edit_focused);

  bool CanValidate() override { return true; }
  void AlignmentChanged() override;
  void AssignAlignment(TcxEditAlignment* value) override;
  Byte GetDisplayFormatOptions() override { return dfoSupports; }
  String GetDefaultErrorText(Integer index) override;
  bool IsDisplayTextKind() override { return true; }
  bool ComparesEditValues() override { return true; }
  bool DisplayValuesEqual(const Variant& a, const Variant& b) override;
  String ValueToDisplayText(const Variant& edit_value, bool whole_text, bool for_display) override;
  Word GetSupportedOperations() override;
  bool IsEditValueValid(Variant& edit_value, bool edit_focused) override;
  bool CanResetEditValue() override { return GetEditingStyle() != tesNoTyping; }
  void PrepareDisplayValue(const Variant& edit_value, Variant& display_value,
                           bool edit_focused) override;
  void ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                            IcxEditValidator* edit) override;
  Integer EditValueSource(bool) override { return 1; }
  TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                        bool hide_display_text = false) override;
  TcxCustomEditViewInfo* CreateViewInfo() override;

  // The display value of an edit value (editing or not).
  void EditValueToDisplayValue(const Variant& edit_value, bool edit_focused, Variant& display_value);
  String FormatNumericDisplayValue(const Variant& value, bool edit_focused);

  TcxTextEditPropertiesValues* AssignedValues() const {
    return static_cast<TcxTextEditPropertiesValues*>(TcxCustomEditProperties::AssignedValues());
  }
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase v);
  String DisplayFormat();
  void SetDisplayFormat(const String& v);
  TcxEditEchoMode EchoMode() const { return echoMode_; }
  void SetEchoMode(TcxEditEchoMode v) { SetAndNotify(echoMode_, v); }
  String EditFormat();
  void SetEditFormat(const String& v);
  bool HideCursor() const { return hideCursor_; }
  void SetHideCursor(bool v) { SetAndNotify(hideCursor_, v); }
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v) { SetAndNotify(hideSelection_, v); }
  bool IncrementalSearch() const { return incrementalSearch_; }
  void SetIncrementalSearch(bool v) { SetAndNotify(incrementalSearch_, v); }
  bool InFormatChange() const { return inFormatChange_; }
  TStringList* LookupItems() const { return lookupItems_.get(); }
  Integer MaxLength();
  void SetMaxLength(Integer v);
  double MaxValue();
  void SetMaxValue(double v);
  double MinValue();
  void SetMinValue(double v);
  char32_t PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char32_t v) { SetAndNotify(passwordChar_, v); }
  bool UseDisplayFormatWhenEditing() const { return useDisplayFormatWhenEditing_; }
  void SetUseDisplayFormatWhenEditing(bool v) { SetAndNotify(useDisplayFormatWhenEditing_, v); }
  TcxTextEditViewStyle ViewStyle();
  void SetViewStyle(TcxTextEditViewStyle v);
  bool IsMaxLengthStored() const { return AssignedValues()->MaxLength(); }

 private:
  template <class T>
  bool SetAssignedValue(T& field, const T& value, bool (TcxTextEditPropertiesValues::*flag)() const,
                        void (TcxTextEditPropertiesValues::*mark)(bool));
  template <class T>
  void SetAndNotify(T& field, T value) {
    if (field == value) return;
    field = value;
    NotifyPropertiesChanged();
  }

  TEditCharCase charCase_ = ecNormal;
  String displayFormat_;
  TcxEditEchoMode echoMode_ = eemNormal;
  String editFormat_;
  bool inFormatChange_ = false;
  bool hideCursor_ = false;
  bool hideSelection_ = true;
  bool incrementalSearch_ = true;
  std::unique_ptr<TStringList> lookupItems_;
  Integer maxLength_ = 0;
  double maxValue_ = 0, minValue_ = 0;
  char32_t passwordChar_ = 0;
  bool useDisplayFormatWhenEditing_ = false;
};

class TcxTextEditProperties : public TcxCustomTextEditProperties {
  KORVAN_CLASS(TcxTextEditProperties, TcxCustomTextEditProperties)

 public:
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
  void SetTextAssignedValues(TcxTextEditPropertiesValues* v) { AssignedValues()->Assign(v); }
};

// Unit routines of the text kinds.
void ApplyCharCase(String& text, TEditCharCase char_case);
bool IsDigitChar(char32_t c);
String ExtractExponent(String& text);
void RemoveThousandSeparators(String& text);
void AddThousandSeparators(String& text);

// ---- view data and view info ---------------------------------------------------------------------

class TcxCustomTextEditViewInfo : public TcxCustomEditViewInfo {
  KORVAN_CLASS(TcxCustomTextEditViewInfo, TcxCustomEditViewInfo)

 public:
  bool HasComboStyle = false;
  std::function<void(TcxCanvas* canvas, const TRect& r)> OwnerDraw;
  bool PaintsAsSelection = false;
  Integer DrawTextFlags = 0;
  TcxTextEditingStyle EditingStyle = tesFreeText;
  bool DroppedDown = false;
  bool InnerEditShowsText = false;
  bool IsOwnerDrawn = false;
  Integer LineLimit = 0;
  Integer SelStart = 0, SelLength = 0;
  TColor SelTextColor = clHighlightText, SelBackgroundColor = clHighlight;
  String Text;
  TRect TextRect;
  // The layout cache: prepared once per calculation, reused by every paint.
  struct TTextOutData {
    bool ForceEndEllipsis = false;
    bool Prepared = false;
    Integer RowCount = 0;
    TcxTextLayoutParams Params;
    TRect Rect;
    TcxTextRows Rows;
  } TextOutData;

  void DrawEditor(TcxCanvas* canvas) override;
  void TranslateBy(Integer dx, Integer dy) override;
  bool QueryHintInRect(TcxCanvas* canvas, const TPoint& p, const TRect& area, String& text,
                       bool& is_multi_line, TRect& text_bounds) override;
  virtual void DrawText(TcxCanvas* canvas);
  bool TextNeedsHint(TcxCanvas* canvas, const TRect& area);

 private:
  void PrepareTextOutData(TcxCanvas* canvas);
};

class TcxCustomTextEditViewData : public TcxCustomEditViewData {
  KORVAN_CLASS(TcxCustomTextEditViewData, TcxCustomEditViewData)

 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  bool FormatsByProvider = false;

  TcxCustomTextEditProperties* TextProperties() const {
    return static_cast<TcxCustomTextEditProperties*>(Properties);
  }
  // The editor control's inner edit shows the text (the view info does not draw it).
  virtual bool UsesInnerEditText();
  virtual Integer GetMaxLineCount() { return MaxLineCount; }
  virtual bool IsComboStyle() { return false; }
  virtual void PrepareTextLayout(TcxCanvas* canvas, TcxCustomTextEditViewInfo* view_info);
  virtual void SetDisplayText(const Variant& value, TcxCustomTextEditViewInfo* view_info);
  virtual Integer GetDrawTextFlags();
  virtual void GetTextInsets(TRect& insets);

  void InitFromProperties() override;
  void GetClientText(const Variant& edit_value, String& text) override;
  void GetEditContentSize(TcxCanvas* canvas, const Variant& edit_value,
                          const TcxEditSizeProperties& request, TSize& size) override;
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p, Integer button,
                         TShiftState shift, TcxCustomEditViewInfo* view_info,
                         bool is_mouse_event) override;
  void FillDisplayText(TcxCanvas* canvas, const Variant& edit_value,
                       TcxCustomEditViewInfo* view_info) override;
  void InitSelectionColors(TcxCustomTextEditViewInfo* view_info);

 private:
  void AdjustCellTextWrapping(TcxCanvas* canvas, TcxCustomTextEditViewInfo* view_info);
};

// Measures a text for auto height and width (also used by the memo and check box kinds).
void MeasureTextContent(TcxCanvas* canvas, TcxCustomEditViewData* view_data, const String& text,
                        TSize& size, bool add_frame_width, Integer fixed_row_count,
                        const TcxEditSizeProperties& request, Integer flags);
