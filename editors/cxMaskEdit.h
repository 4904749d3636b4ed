// The mask edit: the text editor with an input mask setting. Its mask settings, the edit and
// its filter helper. The mask languages plug in as mode objects (MaskModeClassFor): the edit
// routes keys, mouse, clipboard, display and edit values through its mode; with a blank mask
// the mask edit is the text edit.
#pragma once

#include "editors/cxFilterControlUtils.h"
#include "editors/cxMaskEditModes.h"
#include "editors/cxTextEdit.h"

// TcxEditMaskKind, EcxMaskEditError and IsBlankMask come with the mask modes.
using TcxEditMask = String;

class TcxCustomMaskEdit;

class TcxCustomMaskEditProperties : public TcxCustomTextEditProperties {
  KORVAN_CLASS(TcxCustomMaskEditProperties, TcxCustomTextEditProperties)

 public:
  explicit TcxCustomMaskEditProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;

  ~TcxCustomMaskEditProperties() override;
  // The mode class of a mask kind (the standard, regular-expression and extended modes).
  virtual TClass MaskModeClassFor(TcxEditMaskKind kind);
  void NotifyPropertiesChanged() override;
  void PrepareDisplayValue(const Variant& edit_value, Variant& display_value, bool edit_focused) override;
  void ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                            IcxEditValidator* edit) override;

  Byte GetDisplayFormatOptions() override;
  TClass GetContainerClass() override;
  bool IsEditValueValid(Variant& edit_value, bool edit_focused) override;
  bool UsesLookupData() override;
  void MaxLengthChanged() override;
  void SetCharCase(TEditCharCase value) override;

  // EditMask as read: a bound field's edit mask stands in for a blank own standard mask.
  TcxEditMask EditMask();
  void SetEditMask(const TcxEditMask& value);
  TcxEditMask OwnEditMask() const { return editMask_; }
  // A mask that counts: not blank, and its kind has a mode.
  bool IsMasked();
  TcxEditMaskKind MaskKind() const { return maskKind_; }
  void SetMaskKind(TcxEditMaskKind value);
  bool AlwaysShowBlanksAndLiterals() const { return alwaysShowBlanksAndLiterals_; }
  void SetAlwaysShowBlanksAndLiterals(bool value);
  bool CaseInsensitive() const { return caseInsensitive_; }
  void SetCaseInsensitive(bool value);
  bool IgnoreMaskBlank() const { return ignoreMaskBlank_; }
  void SetIgnoreMaskBlank(bool value) { ignoreMaskBlank_ = value; }
  String GetEmptyMaskText() const { return emptyMaskText_; }
  void SetEmptyMaskText(const String& value) { emptyMaskText_ = value; }

 private:
  bool alwaysShowBlanksAndLiterals_ = false;
  bool caseInsensitive_ = true;
  TcxEditMask editMask_;
  String emptyMaskText_;
  bool ignoreMaskBlank_ = false;
  TcxEditMaskKind maskKind_ = emkStandard;
  bool correctingMaxLength_ = false;
  class TModeSettings;
  std::unique_ptr<TModeSettings> settings_;
  std::unique_ptr<TcxMaskEditCustomMode> tempMode_;  // formats values for cells
  TcxMaskEditCustomMode* TemporaryMode();
  friend class TcxCustomMaskEdit;
};

class TcxMaskEditProperties : public TcxCustomMaskEditProperties {
  KORVAN_CLASS(TcxMaskEditProperties, TcxCustomMaskEditProperties)

 public:
  using TcxCustomMaskEditProperties::TcxCustomMaskEditProperties;
};

class TcxCustomMaskEdit : public TcxCustomTextEdit {
  KORVAN_CLASS(TcxCustomMaskEdit, TcxCustomTextEdit)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomMaskEdit(TComponent* owner)
      : TcxCustomMaskEdit(owner, false, TcxCustomMaskEditProperties::StaticClass()) {}
  TcxCustomMaskEdit(TComponent* owner, bool in_place, TClass properties_class,
                    TClass inner_edit_class = nullptr);
  ~TcxCustomMaskEdit() override;
  TcxMaskEditCustomMode* Mode() const { return mode_.get(); }
  void SynchronizeModeText(const String& text);

  virtual bool CanSynchronizeModeText() { return true; }
  // The date and time editors refuse or change typed characters here.
  virtual bool ValidateMaskChar(char32_t& c, Integer position) { return true; }
  virtual void ReapplyText();

  TcxCustomMaskEditProperties* EffectiveMaskProperties() {
    return static_cast<TcxCustomMaskEditProperties*>(GetEffectiveProperties());
  }
  bool IsMasked() { return EffectiveMaskProperties()->IsMasked(); }
  // Selection moves of the edit itself (not told to the mode as the user's).
  void SetSelStartGuarded(Integer value);
  void SetSelLengthGuarded(Integer value);
  bool SelectionGuarded() const { return guardedSelection_; }
  // The edit sends itself a key or a character; its own key events are skipped meanwhile.
  void SendKeyDown(Word key);
  void SendChar(char32_t c);
  bool SendingKey() const { return sendingKey_; }

  void PropertiesChanged(TcxCustomEditProperties* properties) override;
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  void DoEditKeyPress(char32_t& key) override;
  void InternalSetDisplayValue(const Variant& value) override;
  void SynchronizeDisplayValue() override;
  void DisplayToEditValue(const Variant& display_value, Variant& edit_value, bool edit_focused) override;
  void DataChanged() override;
  void TextForGetText(String& text) override;
  bool ApplyWindowText(const String& text) override;
  void InnerSelectionChanged(TObject* sender) override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void ReplaceSelection(const String& text) override;
  void DblClick() override;

 protected:
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void Loaded() override;
  void DoEnter() override;

 private:
  class TModeLink;
  void NewMode(TcxEditMaskKind kind);
  String ShownText(const String& text, bool literals_included);
  std::unique_ptr<TModeLink> link_;
  std::unique_ptr<TcxMaskEditCustomMode> mode_;
  bool guardedSelection_ = false;
  bool sendingKey_ = false;
  bool shiftDown_ = false;
  String cachedEditText_;
};

class TcxMaskEdit : public TcxCustomMaskEdit {
  KORVAN_CLASS(TcxMaskEdit, TcxCustomMaskEdit)

 public:
  explicit TcxMaskEdit(TComponent* owner)
      : TcxCustomMaskEdit(owner, false, TcxMaskEditProperties::StaticClass()) {}
  TcxMaskEditProperties* Properties() const {
    return static_cast<TcxMaskEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxMaskEditProperties* value) { Properties()->Assign(value); }
};

class TcxFilterMaskEditHelper : public TcxFilterTextEditHelper {
  KORVAN_CLASS(TcxFilterMaskEditHelper, TcxFilterTextEditHelper)

 public:
  TClass ValueEditClass() const override;
  void SupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass value_type,
                          TcxFilterControlOperators& operators, bool extended) const override;
  void PrepareFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* source,
                               bool keep_buttons) const override;
};

// The mask kind's unit start: the properties registry entry and the filter helper.
void InitializeCxMaskEdit();
