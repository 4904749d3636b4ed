// The check box kind: the check-states value formats (a list of check marks stored in one
// edit value), the check-square painting routines shared with the check list box, the check
// box properties, its view data and view info, and the check box control with its action
// link.
#pragma once

#include <vector>

#include "editors/cxTextEdit.h"
#include "vcl/ActnList.h"

// ---- check states ------------------------------------------------------------------------------

enum TcxCheckBoxState { cbsUnchecked, cbsChecked, cbsGrayed };
using TcxCheckStates = std::vector<TcxCheckBoxState>;
enum TcxCheckStatesValueFormat { cvfCaptions, cvfIndices, cvfInteger, cvfStatesString };

// The captions of a list of check items (the lists never own themselves through it).
class IcxCheckItemCaptions {
 public:
  virtual ~IcxCheckItemCaptions() = default;
  virtual String GetCaption(Integer index) = 0;
  virtual Integer GetCount() = 0;
};

// The edit value of a list of states in a format (never Null; Null for an unknown format).
// cvfCaptions entries are "<byte length>:<caption>", grayed ones first, then ";" and the
// checked ones; cvfIndices the same with decimal indexes separated by ","; cvfInteger bit i
// for a checked item i < 64; cvfStatesString one digit per item.
Variant EncodeCheckStates(const TcxCheckStates& states, IcxCheckItemCaptions* items,
                          TcxCheckStatesValueFormat format);
// Sizes the states to the item count and reads the value; a malformed value answers False
// with every item unchecked. Never raises.
bool DecodeCheckStates(const Variant& value, IcxCheckItemCaptions* items,
                       TcxCheckStatesValueFormat format, TcxCheckStates& states);
// Reads an unsigned decimal number (at most 2147483647) at a 1-based position and moves the
// position past it.
bool ParseDecimalNumber(Integer& number, Integer& position, const String& text);

// ---- check square painting ------------------------------------------------------------------------

enum TcxCheckBoxNullValueShowingStyle { nssUnchecked, nssInactive, nssGrayedChecked };

// A usable glyph strip: it exists, is not empty and has frames.
bool IsCheckGlyphUsable(TBitmap* glyph, Integer glyph_count);
// The square's size: a frame of a usable glyph strip, a skin painter's check box, the native
// check part, or the base painter's check size.
TSize GetEditCheckSize(TcxCanvas* canvas, bool native, TBitmap* glyph, Integer glyph_count,
                       TcxCustomLookAndFeelPainterClass skin_painter = nullptr);
// The pixels between the square's rectangle and its border (0 for native, glyph and skin).
Integer GetEditCheckBorderOffset(TcxEditBorderStyle border_style, bool native, bool glyph_usable,
                                 TcxCustomLookAndFeelPainterClass skin_painter = nullptr);
Integer GetListCheckBorderOffset(TcxLookAndFeelKind kind, bool native, bool glyph_usable,
                                 TcxCustomLookAndFeelPainterClass skin_painter = nullptr);
// Paints one check square. Button state 0 normal, 1 hot, 2 pressed, 3 disabled.
void PaintCheckMark(TcxCanvas* canvas, const TRect& r, TcxCheckBoxState state, Byte button_state,
                    TBitmap* glyph, Integer glyph_count, TcxEditBorderStyle border_style,
                    bool native, TColor border_color, TColor background_color,
                    bool draw_background, bool designing, bool focused,
                    TcxCustomLookAndFeelPainterClass skin_painter,
                    TcxCheckBoxNullValueShowingStyle null_style);
// The check mark mask: black where the system check boxes sheet's unchecked and checked
// cells differ (made once, freed at the unit end).
TBitmap* CheckMarkMask();

// ---- properties, view data, view info ------------------------------------------------------------

class TcxCustomCheckBoxProperties : public TcxCustomEditProperties {
  KORVAN_CLASS(TcxCustomCheckBoxProperties, TcxCustomEditProperties)

 public:
  explicit TcxCustomCheckBoxProperties(TPersistent* owner);
  ~TcxCustomCheckBoxProperties() override;
  void Assign(TPersistent* source) override;

  TClass GetContainerClass() override;
  bool IsDisplayTextKind() override { return true; }
  bool ComparesEditValues() override { return true; }
  bool DisplayValuesEqual(const Variant& a, const Variant& b) override;
  String ValueToDisplayText(const Variant& edit_value, bool whole_text, bool for_display) override;
  Word GetSpecialFeatures() override { return TcxCustomEditProperties::GetSpecialFeatures() | 4; }
  Word GetSupportedOperations() override { return 1453; }
  bool IsActivationChar(char32_t key) override { return key == U' '; }
  bool IsEditValueValid(Variant& edit_value, bool edit_focused) override;
  bool CanResetEditValue() override { return true; }
  void PrepareDisplayValue(const Variant& edit_value, Variant& display_value,
                           bool edit_focused) override;
  TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                        bool hide_display_text = false) override;
  TcxCustomEditViewInfo* CreateViewInfo() override;
  virtual TBitmap* EnsureGlyph();
  virtual bool UsesInplaceLayout() { return false; }

  // The state a value shows (checked, unchecked, anything else grayed), and a state's value.
  TcxCheckBoxState StateOfValue(const Variant& value);
  Variant ValueOfState(TcxCheckBoxState state);

  TAlignment Alignment() { return GetAlignmentHorz(); }
  void SetAlignment(TAlignment v);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool v) { allowGrayed_ = v; }
  // Write-only for streaming: a read caption waits for the control (PendingCaption).
  void SetCaption(const String& v);
  bool CaptionPending() const { return captionPending_; }
  String TakePendingCaption();
  String DisplayChecked() const { return displayChecked_; }
  void SetDisplayChecked(const String& v) { displayChecked_ = v; }
  String DisplayUnchecked() const { return displayUnchecked_; }
  void SetDisplayUnchecked(const String& v) { displayUnchecked_ = v; }
  String DisplayGrayed() const { return displayGrayed_; }
  void SetDisplayGrayed(const String& v) { displayGrayed_ = v; }
  bool FullFocusRect() const { return fullFocusRect_; }
  void SetFullFocusRect(bool v) { SetAndNotify(fullFocusRect_, v); }
  TBitmap* Glyph() { return EnsureGlyph(); }
  TBitmap* GlyphIfAny() const { return glyph_.get(); }
  void SetGlyph(TBitmap* v);
  Integer GlyphCount() const { return glyphCount_; }
  void SetGlyphCount(Integer v);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool v) { SetAndNotify(multiLine_, v); }
  TcxCheckBoxNullValueShowingStyle NullStyle() const { return nullStyle_; }
  void SetNullStyle(TcxCheckBoxNullValueShowingStyle v) { SetAndNotify(nullStyle_, v); }
  bool UseAlignmentWhenInplace() const { return useAlignmentWhenInplace_; }
  void SetUseAlignmentWhenInplace(bool v) { SetAndNotify(useAlignmentWhenInplace_, v); }
  Variant ValueChecked() const { return valueChecked_; }
  void SetValueChecked(const Variant& v);
  Variant ValueGrayed() const { return valueGrayed_; }
  void SetValueGrayed(const Variant& v);
  Variant ValueUnchecked() const { return valueUnchecked_; }
  void SetValueUnchecked(const Variant& v);
  bool IsDisplayCheckedStored() const { return displayChecked_ != "True"; }
  bool IsDisplayUncheckedStored() const { return displayUnchecked_ != "False"; }
  bool IsDisplayGrayedStored() const { return !displayGrayed_.empty(); }

 protected:
  void DefineProperties(TFiler* filer) override;

 private:
  template <class T>
  void SetAndNotify(T& field, T value) {
    if (field == value) return;
    field = value;
    NotifyPropertiesChanged();
  }
  bool OwnerLoading() const;
  bool AcceptsValue(const Variant& v, bool allow_null) const;

  String caption_;
  bool captionPending_ = false;
  String displayChecked_, displayUnchecked_, displayGrayed_;
  bool fullFocusRect_ = false, allowGrayed_ = false, multiLine_ = false;
  TcxCheckBoxNullValueShowingStyle nullStyle_ = nssGrayedChecked;
  bool useAlignmentWhenInplace_ = false;
  std::unique_ptr<TBitmap> glyph_;
  Integer glyphCount_ = 6;
  Variant valueChecked_, valueGrayed_, valueUnchecked_;
};

class TcxCheckBoxProperties : public TcxCustomCheckBoxProperties {
  KORVAN_CLASS(TcxCheckBoxProperties, TcxCustomCheckBoxProperties)

 public:
  using TcxCustomCheckBoxProperties::TcxCustomCheckBoxProperties;
};

// The check box's style (its view data reserves no border: EffectiveBorderStyle).
class TcxCheckBoxStyle : public TcxEditStyle {
  KORVAN_CLASS(TcxCheckBoxStyle, TcxEditStyle)

 public:
  using TcxEditStyle::TcxEditStyle;
  static TcxContainerStyle* CreateInState(TPersistent* owner, bool detached,
                                          TcxContainerStyle* baseStyle,
                                          TcxContainerStyleState state) {
    return new TcxCheckBoxStyle(owner, detached, baseStyle, state);
  }
};

class TcxCustomCheckBox;

class TcxCustomCheckBoxViewInfo : public TcxCustomTextEditViewInfo {
  KORVAN_CLASS(TcxCustomCheckBoxViewInfo, TcxCustomTextEditViewInfo)

 public:
  TAlignment MarkAlignment = taLeftJustify;
  Integer MarkInset = 0;
  TcxEditBorderStyle MarkBorderStyle = ebsNone;
  TBitmap* MarkGlyph = nullptr;
  Integer MarkGlyphCount = 0;
  TRect MarkRect;
  Byte MarkButtonState = 0;  // 0 normal, 1 hot, 2 pressed, 3 disabled
  TRect FocusFrameRect;
  bool MarkGlyphUsable = false;
  bool TextColorAssigned = false;
  TcxCheckBoxNullValueShowingStyle NullShowingStyle = nssGrayedChecked;
  TcxCheckBoxState CheckedState = cbsUnchecked;
  // The caption's canvas text flags (ctf...).
  TcxTextFlags CaptionFlags = 0;

  void DrawEditor(TcxCanvas* canvas) override;
  void CopyLayoutFrom(TcxContainerViewInfo* other) override;
  TcxRegion* CreateChangedRegion(TcxContainerViewInfo* other) override;
  void TranslateBy(Integer dx, Integer dy) override;
  bool HasHotButton() const override { return true; }
  bool IsPointOnButton(const TPoint& p) const override { return true; }
  bool QueryHint(TcxCanvas* canvas, const TPoint& p, String& text, bool& is_multi_line,
                 TRect& text_bounds) override {
    return false;
  }
  bool RepaintExcept(TWinControl* control, const TRect& excluded,
                     TcxCustomEditViewInfo* old_view_info) override;
  void DrawText(TcxCanvas* canvas) override;
};

class TcxCustomCheckBoxViewData : public TcxCustomEditViewData {
  KORVAN_CLASS(TcxCustomCheckBoxViewData, TcxCustomEditViewData)

 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  // The standalone control the view data lays out, when any (its caption and space state).
  TcxCustomCheckBox* Edit = nullptr;

  TcxCustomCheckBoxProperties* CheckProperties() const {
    return static_cast<TcxCustomCheckBoxProperties*>(Properties);
  }
  void GetEditSize(TcxCanvas* canvas, bool is_inplace, const TcxEditSizeProperties& request,
                   TSize& min_content_size, TcxCustomEditViewInfo* view_info, TSize& size) override;
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p, Integer button,
                         TShiftState shift, TcxCustomEditViewInfo* view_info,
                         bool is_mouse_event) override;
  void FillDisplayText(TcxCanvas* canvas, const Variant& edit_value,
                       TcxCustomEditViewInfo* view_info) override;
  TcxEditBorderStyle EffectiveBorderStyle() override { return ebsNone; }
  virtual TcxTextFlags GetDrawTextFlags();

 private:
  void CalculateFocusFrame(TcxCanvas* canvas, TcxCustomCheckBoxViewInfo* vi);
  Integer previousMarkState_ = 0;
};

// ---- the control -------------------------------------------------------------------------------------

class TcxCheckBoxActionLink : public TWinControlActionLink {
  KORVAN_CLASS(TcxCheckBoxActionLink, TWinControlActionLink)

 public:
  explicit TcxCheckBoxActionLink(TObject* client);
  bool IsCheckedLinked() override;
  void SetChecked(bool v) override;

 protected:
  void AssignClient(TObject* client) override;
  TcxCustomCheckBox* checkBox_ = nullptr;
};

class TcxCustomCheckBox : public TcxCustomEdit {
  KORVAN_CLASS(TcxCustomCheckBox, TcxCustomEdit)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomCheckBox(TComponent* owner)
      : TcxCustomCheckBox(owner, false, TcxCustomCheckBoxProperties::StaticClass()) {}
  TcxCustomCheckBox(TComponent* owner, bool in_place, TClass properties_class);

  TcxCustomCheckBoxProperties* Properties() const {
    return static_cast<TcxCustomCheckBoxProperties*>(TcxCustomEdit::Properties());
  }
  TcxCustomCheckBoxProperties* ActiveProperties() {
    return static_cast<TcxCustomCheckBoxProperties*>(GetEffectiveProperties());
  }
  TcxCheckBoxState State();
  void SetState(TcxCheckBoxState v);
  bool Checked() { return State() == cbsChecked; }
  void SetChecked(bool v) { SetState(v ? cbsChecked : cbsUnchecked); }
  bool SpacePressed() const { return spacePressed_; }
  TcxCustomCheckBoxViewInfo* CheckViewInfo() {
    return dynamic_cast<TcxCustomCheckBoxViewInfo*>(GetEditViewInfo());
  }
  virtual void Toggle();
  // Sets Checked without Click and without change events (the action link's assignment).
  void AssignCheckedSilently(bool v);

  void ClearValue() override { SetChecked(false); }
  void InternalSetEditValue(const Variant& value, bool flag) override;
  void PropertiesChanged(TcxCustomEditProperties* properties) override;
  bool RefreshState(const TPoint& p, Integer button, TShiftState shift, bool is_mouse_event) override;
  bool ClickWhileLoading() override;
  TcxContainerStyle::TFactory StyleClass() override { return &TcxCheckBoxStyle::CreateInState; }
  bool PaintsOwnBorder() override;
  // A standalone box takes its parent's colour unless its style has one.
  bool DefaultParentColor() override { return true; }
  TcxEditSizeProperties GetEditSizeProperties() override;
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  void DoEditKeyPress(char32_t& key) override;
  void DoEditKeyUp(Word& key, TShiftState shift) override;
  void DoExit() override;
  void WndProc(TMessage& m) override;
  // The display value as a state number (0 unchecked, 1 checked, 2 grayed).
  Variant DisplayToEditValue(const Variant& display_value);

 protected:
  void Loaded() override;
  void CMTextChanged(TMessage& m) override;
  TControlActionLink* CreateActionLink() override { return new TcxCheckBoxActionLink(this); }
  void ActionChange(TObject* sender, bool check_defaults) override;
  void CMDialogChar(TMessage& m) override;

 private:
  bool spacePressed_ = false;
  bool inLoaded_ = false;
  bool stateAssignedWhileLoading_ = false;
  TcxCheckBoxState loadedState_ = cbsUnchecked;
};

class TcxCheckBox : public TcxCustomCheckBox {
  KORVAN_CLASS(TcxCheckBox, TcxCustomCheckBox)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCheckBox(TComponent* owner)
      : TcxCustomCheckBox(owner, false, TcxCheckBoxProperties::StaticClass()) {}
  TcxCheckBox(TComponent* owner, bool in_place, TClass properties_class)
      : TcxCustomCheckBox(owner, in_place, properties_class) {}
  TcxCheckBoxProperties* Properties() const {
    return static_cast<TcxCheckBoxProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxCheckBoxProperties* v) { TcxCustomEdit::SetProperties(v); }
  bool IsStateStored() const;
};

// The unit start: registration with the editor registry and the check mark mask.
void InitializeCxCheckBox();
