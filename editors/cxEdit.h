// The editor framework's model: the content alignment, the edit buttons, the edit styles and
// their controller, and the editor properties with the default-values provider. One
// properties object describes an editor kind for a standalone editor and for every cell that
// paints and edits through it.
#pragma once

#include <memory>
#include <vector>

#include "foundation/cxClasses.h"
#include "foundation/cxContainer.h"
#include "rtl/Classes.h"
#include "rtl/Variants.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"

class TcxCustomEditProperties;

// ---- content alignment ------------------------------------------------------------------------

enum TcxEditVertAlignment { taTopJustify, taBottomJustify, taVCenter };

class TcxEditAlignment : public TPersistent {
  KORVAN_CLASS(TcxEditAlignment, TPersistent)

 public:
  using CreateArgType = TPersistent*;
  explicit TcxEditAlignment(TPersistent* owner) : owner_(owner) {}

  void Assign(TPersistent* source) override;
  void ClearHorzAssignment();
  TAlignment Horz() const { return horz_; }
  void SetHorz(TAlignment value);
  TcxEditVertAlignment Vert() const { return vert_; }
  void SetVert(TcxEditVertAlignment value);
  bool IsHorzAssigned() const { return horzAssigned_; }
  bool ShouldStoreHorz() const { return horzAssigned_; }
  bool ShouldStoreVert() const { return vert_ != taTopJustify; }
  // Back to the defaults without notification.
  void Reset();

  TNotifyEvent OnChanged;

 protected:
  TPersistent* GetOwner() const override { return owner_; }

 private:
  void Changed() {
    if (OnChanged) OnChanged(this);
  }
  TPersistent* owner_;
  TAlignment horz_ = taLeftJustify;
  bool horzAssigned_ = false;
  TcxEditVertAlignment vert_ = taTopJustify;
};

// ---- edit buttons -------------------------------------------------------------------------------

enum TcxEditButtonKind { bkEllipsis, bkDown, bkGlyph, bkText };
// Editor button states.
enum TcxEditButtonState { ebsDisabled, ebsNormal, ebsPressed, ebsSelected };

class TcxEditButtons;

class TcxEditButton : public TCollectionItem {
  KORVAN_CLASS(TcxEditButton, TCollectionItem)

 public:
  explicit TcxEditButton(TCollection* collection);
  ~TcxEditButton() override;
  void Assign(TPersistent* source) override;

  const String& Caption() const { return caption_; }
  void SetCaption(const String& value);
  const String& VisibleCaption() const { return visibleCaption_; }
  TAlignment ContentAlignment() const { return contentAlignment_; }
  void SetContentAlignment(TAlignment value);
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  // Created on first read.
  TBitmap* Glyph();
  bool HasGlyph() const { return glyph_ != nullptr; }
  void SetGlyph(TBitmap* value);
  TcxEditButtonKind Kind() const { return kind_; }
  void SetKind(TcxEditButtonKind value);
  bool LeftAlignment() const { return leftAlignment_; }
  void SetLeftAlignment(bool value);
  bool Stretchable() const { return stretchable_; }
  void SetStretchable(bool value);
  TColor TextColor() const { return textColor_; }
  void SetTextColor(TColor value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  Integer Width() const { return width_; }
  void SetWidth(Integer value);

 private:
  TcxEditButtons* Buttons() const;
  void GlyphChanged(TObject*) { Changed(false); }

  String caption_;
  String visibleCaption_;
  TAlignment contentAlignment_ = taCenter;
  bool default_ = false;
  bool enabled_ = true;
  std::unique_ptr<TBitmap> glyph_;
  TcxEditButtonKind kind_ = bkDown;
  bool leftAlignment_ = false;
  bool stretchable_ = true;
  TColor textColor_ = clBtnText;
  bool visible_ = true;
  Integer width_ = 0;
};

class TcxEditButtons : public TOwnedCollection {
  KORVAN_CLASS(TcxEditButtons, TOwnedCollection)

 public:
  using CreateArgType = TPersistent*;
  explicit TcxEditButtons(TPersistent* owner);
  TcxEditButton* AddButton() { return static_cast<TcxEditButton*>(Add()); }
  TcxEditButton* GetButton(Integer index) const { return static_cast<TcxEditButton*>(Items(index)); }
  TcxEditButton* operator[](Integer index) const { return GetButton(index); }
  Integer VisibleCount() const;

  TNotifyEvent OnChange;

 protected:
  void Update(TCollectionItem* item) override;
};

// ---- edit styles ----------------------------------------------------------------------------------

enum TcxEditButtonStyle { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat, btsOffice11 };
enum TcxEditButtonTransparency { ebtNone, ebtInactive, ebtAlways, ebtHideInactive, ebtHideUnselected };
enum TcxEditPopupBorderStyle { epbsDefault, epbsSingle, epbsFrame3D, epbsFlat };
using TcxEditBorderStyle = TcxContainerBorderStyle;
constexpr TcxEditBorderStyle ebsNone = cbsNone, ebsSingle = cbsSingle, ebsThick = cbsThick,
                             ebsFlat = cbsFlat, ebs3D = cbs3D, ebsUltraFlat = cbsUltraFlat,
                             ebsOffice11 = cbsOffice11;

// The style values beyond the container's ten.
constexpr TcxContainerStyleValue svButtonStyle = TcxContainerStyleValue(10);
constexpr TcxContainerStyleValue svButtonTransparency = TcxContainerStyleValue(11);
constexpr TcxContainerStyleValue svPopupBorderStyle = TcxContainerStyleValue(12);
constexpr TcxContainerStyleValue svGradientButtons = TcxContainerStyleValue(13);
constexpr Integer cxEditStyleValueCount = 14;
// The values held by the base style only (read through the parent chain by state styles).
constexpr uint64_t cxEditStyleBaseOnlyValues = 0x3A78;

class TcxCustomEditStyle : public TcxContainerStyle {
  KORVAN_CLASS(TcxCustomEditStyle, TcxContainerStyle)

 public:
  TcxCustomEditStyle(TPersistent* owner, bool detached, TcxContainerStyle* baseStyle = nullptr,
                     TcxContainerStyleState state = cssNormal);
  static TcxContainerStyle* CreateInState(TPersistent* owner, bool detached,
                                          TcxContainerStyle* baseStyle,
                                          TcxContainerStyleState state) {
    return new TcxCustomEditStyle(owner, detached, baseStyle, state);
  }

  void AssignFrom(TPersistent* source) override;
  TcxContainerStyleValues BaseOnlyValues() const {
    return TcxContainerStyleValues::FromMask(cxEditStyleBaseOnlyValues);
  }
  Integer StyleValueCount() override { return cxEditStyleValueCount; }
  bool StyleValueNameOf(Integer index, String& name) override;
  bool ReadStyleValue(Integer index) override;
  TcxStyleController* DefaultStyleController() override;

  TcxEditButtonStyle ButtonStyle();
  void SetButtonStyle(TcxEditButtonStyle value);
  TcxEditButtonTransparency ButtonTransparency();
  void SetButtonTransparency(TcxEditButtonTransparency value);
  TcxEditPopupBorderStyle PopupBorderStyle();
  void SetPopupBorderStyle(TcxEditPopupBorderStyle value);
  bool GradientButtons();
  void SetGradientButtons(bool value);
  bool PopupCloseButton();
  void SetPopupCloseButton(bool value);

  virtual TcxEditButtonStyle DefaultButtonStyle();
  virtual TcxEditButtonTransparency DefaultButtonTransparency();
  virtual bool DefaultGradientButtons();
  virtual TcxEditPopupBorderStyle DefaultPopupBorderStyle();

  // Resolution through this style and its controller's style of the same state.
  bool LookupButtonStyle(TcxEditButtonStyle& v);
  bool LookupButtonTransparency(TcxEditButtonTransparency& v);
  bool LookupPopupBorderStyle(TcxEditPopupBorderStyle& v);
  bool LookupGradientButtons(bool& v);

 private:
  TcxCustomEditStyle* ParentEditStyle() { return static_cast<TcxCustomEditStyle*>(BaseStyle()); }
  TcxCustomEditStyle* ControllerEditStyle();
  template <class T>
  bool LookupEditValue(TcxContainerStyleValue v, T TcxCustomEditStyle::*field, T& out,
                       bool (TcxCustomEditStyle::*next)(T&));
  template <class T>
  T EditValue(TcxContainerStyleValue v, T TcxCustomEditStyle::*field,
              bool (TcxCustomEditStyle::*lookup)(T&), T (TcxCustomEditStyle::*default_value)());
  template <class T>
  void SetEditValue(TcxContainerStyleValue v, T TcxCustomEditStyle::*field, T value);

  TcxEditButtonStyle buttonStyle_ = btsDefault;
  TcxEditButtonTransparency buttonTransparency_ = ebtNone;
  bool gradientButtons_ = false;
  TcxEditPopupBorderStyle popupBorderStyle_ = epbsDefault;
  bool popupCloseButton_ = true;
};

class TcxEditStyle : public TcxCustomEditStyle {
  KORVAN_CLASS(TcxEditStyle, TcxCustomEditStyle)

 public:
  using TcxCustomEditStyle::TcxCustomEditStyle;
  static TcxContainerStyle* CreateInState(TPersistent* owner, bool detached,
                                          TcxContainerStyle* baseStyle,
                                          TcxContainerStyleState state) {
    return new TcxEditStyle(owner, detached, baseStyle, state);
  }
};

class TcxEditStyleController : public TcxStyleController {
  KORVAN_CLASS(TcxEditStyleController, TcxStyleController)

 public:
  explicit TcxEditStyleController(TComponent* owner);
  TcxContainerStyle::TFactory StyleClass() override { return &TcxEditStyle::CreateInState; }
  TcxEditStyle* Style() const { return static_cast<TcxEditStyle*>(StyleOfState(cssNormal)); }
  TcxEditStyle* StyleDisabled() const { return static_cast<TcxEditStyle*>(StyleOfState(cssDisabled)); }
  TcxEditStyle* StyleFocused() const { return static_cast<TcxEditStyle*>(StyleOfState(cssFocused)); }
  TcxEditStyle* StyleHot() const { return static_cast<TcxEditStyle*>(StyleOfState(cssHot)); }
  void SetStyle(TcxEditStyle* v) { Style()->Assign(v); }
  void SetStyleDisabled(TcxEditStyle* v) { StyleDisabled()->Assign(v); }
  void SetStyleFocused(TcxEditStyle* v) { StyleFocused()->Assign(v); }
  void SetStyleHot(TcxEditStyle* v) { StyleHot()->Assign(v); }
};

// The default edit style controller of the unit.
TcxEditStyleController* DefaultEditStyleController();

// ---- default values provider ------------------------------------------------------------------

class IcxEditDefaultValuesProvider {
 public:
  virtual ~IcxEditDefaultValuesProvider() = default;
  virtual bool CanSetEditMode() = 0;
  virtual void ClearUsers() = 0;
  virtual TAlignment DefaultAlignment() = 0;
  virtual Integer DefaultBlobKind() = 0;
  virtual bool DefaultCanModify() = 0;
  virtual String DefaultDisplayFormat() = 0;
  virtual String DefaultEditFormat() = 0;
  virtual String DefaultEditMask() = 0;
  virtual bool DefaultIsFloatValue() = 0;
  virtual Integer DefaultMaxLength() = 0;
  virtual double DefaultMaxValue() = 0;
  virtual double DefaultMinValue() = 0;
  virtual Integer DefaultPrecision() = 0;
  virtual bool DefaultReadOnly() = 0;
  virtual bool DefaultRequired() = 0;
  virtual TObject* GetInstance() = 0;
  virtual bool IsDataStorage() = 0;
  virtual bool IsBlob() = 0;
  virtual bool IsCurrency() = 0;
  virtual bool IsDataAvailable() = 0;
  virtual bool IsDisplayFormatDefined(bool is_currency_value_accepted) = 0;
  virtual bool IsImplicitDisplayFormat() = 0;
  virtual bool IsOnSetTextAssigned() = 0;
  virtual bool IsValidChar(char32_t c) = 0;
};

// Neutral answers; a data field's provider overrides them. Freeing it clears it from every
// properties object that uses it.
class TcxCustomEditDefaultValuesProvider : public TcxInterfacedPersistent,
                                           public IcxEditDefaultValuesProvider {
  KORVAN_CLASS(TcxCustomEditDefaultValuesProvider, TcxInterfacedPersistent)

 public:
  explicit TcxCustomEditDefaultValuesProvider(TPersistent* owner) : TcxInterfacedPersistent(owner) {}
  ~TcxCustomEditDefaultValuesProvider() override;
  bool CanSetEditMode() override { return true; }
  void ClearUsers() override;
  TAlignment DefaultAlignment() override { return taLeftJustify; }
  Integer DefaultBlobKind() override { return 3; }
  bool DefaultCanModify() override { return true; }
  String DefaultDisplayFormat() override { return ""; }
  String DefaultEditFormat() override { return ""; }
  String DefaultEditMask() override { return ""; }
  bool DefaultIsFloatValue() override { return false; }
  Integer DefaultMaxLength() override { return 0; }
  double DefaultMaxValue() override { return 0; }
  double DefaultMinValue() override { return 0; }
  Integer DefaultPrecision() override { return 15; }
  bool DefaultReadOnly() override { return false; }
  bool DefaultRequired() override { return false; }
  TObject* GetInstance() override { return this; }
  bool IsDataStorage() override { return false; }
  bool IsBlob() override { return false; }
  bool IsCurrency() override { return false; }
  bool IsDataAvailable() override { return true; }
  bool IsDisplayFormatDefined(bool) override { return false; }
  bool IsImplicitDisplayFormat() override { return false; }
  bool IsOnSetTextAssigned() override { return false; }
  bool IsValidChar(char32_t) override { return true; }
};

// ---- editor properties ------------------------------------------------------------------------

class TcxCustomEditPropertiesValues : public TPersistent {
  KORVAN_CLASS(TcxCustomEditPropertiesValues, TPersistent)

 public:
  using CreateArgType = TPersistent*;
  explicit TcxCustomEditPropertiesValues(TPersistent* owner) : owner_(owner) {}
  void Assign(TPersistent* source) override;
  virtual void RestoreDefaults();
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  void BeginPropertiesUpdate();
  void EndPropertiesUpdate();
  void NotifyPropertiesChanged();
  bool OwnerHasProperty(const String& name) const;

 protected:
  TPersistent* GetOwner() const override { return owner_; }
  TcxCustomEditProperties* Properties() const;

 private:
  TPersistent* owner_;
  bool readOnly_ = false;
};

// Supported-operation bits of GetSupportedOperations.
constexpr Word esoAlwaysHotTrack = 0x001, esoAutoHeight = 0x002, esoEditing = 0x004,
               esoFiltering = 0x008, esoHorzAlignment = 0x010, esoHotTrack = 0x020,
               esoIncSearch = 0x040, esoShowingCaption = 0x080, esoSorting = 0x100,
               esoSortingByDisplayText = 0x200, esoTransparency = 0x400;

// The display-format options of GetDisplayFormatOptions.
constexpr Byte dfoSupports = 1, dfoNoCurrencyValue = 2;

class TcxCustomEditProperties;
using TcxEditButtonClickEvent = std::function<void(TObject* sender, Integer button_index)>;
using TcxEditValidateEvent = std::function<void(TObject* sender, Variant& display_value,
                                                String& error_text, bool& error)>;
using TcxEditClosePopupEvent = std::function<void(TObject* sender, Integer reason)>;

// What validation needs of an editor (the editor control implements it).
class IcxEditValidator {
 public:
  virtual ~IcxEditValidator() = default;
  virtual bool HasValidateHandler() = 0;
  virtual void FireValidateEvents(Variant& display_value, String& error_text, bool& error) = 0;
  virtual Variant CurrentDisplayText() = 0;
};

class TcxCustomEditProperties : public TcxInterfacedPersistent {
  KORVAN_CLASS(TcxCustomEditProperties, TcxInterfacedPersistent)

 public:
  explicit TcxCustomEditProperties(TPersistent* owner);
  ~TcxCustomEditProperties() override;
  void Assign(TPersistent* source) override;

  // The update bracket; EndUpdate(true) delivers one deferred notification.
  void BeginUpdate();
  void EndUpdate(bool notify = true);
  void SuppressChanges(bool lock) { changesLocked_ = lock; }
  bool IsLockedOrUpdating() const { return changesLocked_ || updateCount_ > 0; }
  bool ChangedWhileUpdating() const { return changedWhileUpdating_; }

  virtual void AlignmentChanged();
  virtual void AssignAlignment(TcxEditAlignment* value);
  virtual void ButtonsChanged();
  virtual bool CanValidate() { return false; }
  virtual bool DefaultUseLeftAlignmentOnEditing() { return true; }
  virtual void ClearDefaultValuesProvider() { provider_ = nullptr; }
  virtual void ComponentFreed(TComponent* component) {}
  virtual TAlignment GetAlignmentHorz();
  virtual Byte GetDisplayFormatOptions() { return 0; }
  virtual String GetDefaultErrorText(Integer index);
  virtual bool HasProviderDisplayFormat(bool edit_focused);
  virtual bool IsDisplayTextKind() { return false; }
  virtual bool KeepsTabKey() { return false; }
  virtual bool EditingModeNeedsFocus() { return true; }
  virtual bool ComparesEditValues() { return false; }
  virtual void NotifyPropertiesChanged();
  virtual bool DisplayValuesEqual(const Variant& a, const Variant& b);
  virtual TcxCustomEditProperties* CreateInstance();
  virtual void UpdateHook() {}
  virtual String ValueToDisplayText(const Variant& edit_value, bool whole_text, bool for_display) {
    return "";
  }
  virtual Word GetSpecialFeatures() { return 0; }
  virtual Word GetSupportedOperations();
  virtual bool IsActivationChar(char32_t key) { return false; }
  virtual bool IsEditValueValid(Variant& edit_value, bool edit_focused) { return true; }
  virtual bool CanResetEditValue() { return false; }
  virtual void PrepareDisplayValue(const Variant& edit_value, Variant& display_value,
                                   bool edit_focused) {
    display_value = edit_value;
  }
  virtual void ResetToDefaults();
  virtual void CopyRuntimeDataTo(TcxCustomEditProperties* properties) {}
  virtual void ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                                    IcxEditValidator* edit);
  virtual Integer EditValueSource(bool edit_focused) { return 0; }

  void AttachDefaultValuesProvider(IcxEditDefaultValuesProvider* provider);
  IcxEditDefaultValuesProvider* DefaultValuesProvider() const { return provider_; }
  bool CanModifyEditValue();
  bool IsDisplayFormattedByProvider();
  void RunValidateEvents(Variant& display_value, String& error_text, bool& error,
                         IcxEditValidator* edit);

  // Settings.
  TcxEditAlignment* Alignment();
  void SetAlignment(TcxEditAlignment* value) { AssignAlignment(value); }
  bool IsAlignmentStored() const;
  TcxCustomEditPropertiesValues* AssignedValues() const { return assignedValues_.get(); }
  void SetAssignedValues(TcxCustomEditPropertiesValues* v) { assignedValues_->Assign(v); }
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value);
  bool BeepOnError() const { return beepOnError_; }
  void SetBeepOnError(bool value) { beepOnError_ = value; }
  TcxEditButtons* Buttons() const { return buttons_.get(); }
  void SetButtons(TcxEditButtons* value) { buttons_->Assign(value); }
  Byte ButtonsViewMode() const { return buttonsViewMode_; }
  void SetButtonsViewMode(Byte value);
  TShortCut ClearKey() const { return clearKey_; }
  void SetClearKey(TShortCut value) { clearKey_ = value; }
  TShortCut ClickKey() const { return clickKey_; }
  void SetClickKey(TShortCut value) { clickKey_ = value; }
  bool ImmediatePost() const { return immediatePost_; }
  void SetImmediatePost(bool value) { immediatePost_ = value; }
  bool ReadOnly();
  void SetReadOnly(bool value);
  bool IsReadOnlyStored() const { return assignedValues_->ReadOnly(); }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool UseLeftAlignmentOnEditing() const { return useLeftAlignmentOnEditing_; }
  void SetUseLeftAlignmentOnEditing(bool value);
  bool IsUseLeftAlignmentOnEditingStored() {
    return useLeftAlignmentOnEditing_ != DefaultUseLeftAlignmentOnEditing();
  }
  bool UseMouseWheel() const { return useMouseWheel_; }
  void SetUseMouseWheel(bool value) { useMouseWheel_ = value; }
  bool ValidateOnEnter() const { return validateOnEnter_; }
  void SetValidateOnEnter(bool value) { validateOnEnter_ = value; }
  TcxFreeNotificator* FreeNotificator() const { return freeNotificator_.get(); }
  TPersistent* Owner() const { return TcxInterfacedPersistent::Owner(); }

  TcxEditButtonClickEvent OnButtonClick;
  TNotifyEvent OnChange;
  TcxEditClosePopupEvent OnPopupClosed;
  TNotifyEvent OnEditValueChanged;
  TcxEditValidateEvent OnValidate;
  TNotifyEvent PropertiesChangedHandler;

  // The global list of live properties objects.
  static const std::vector<TcxCustomEditProperties*>& PropertiesList();

 protected:
  bool validateOnEnter_ = false;

 private:
  bool OwnerIsDestroying() const;

  bool autoSelect_ = true;
  bool beepOnError_ = false;
  std::unique_ptr<TcxEditButtons> buttons_;
  Byte buttonsViewMode_ = 0;
  bool changedWhileUpdating_ = false;
  TShortCut clearKey_ = 0;
  TShortCut clickKey_ = 16397;
  std::unique_ptr<TcxFreeNotificator> freeNotificator_;
  bool immediatePost_ = false;
  std::unique_ptr<TcxEditAlignment> innerAlignment_;
  bool readOnly_ = false;
  bool transparent_ = false;
  Integer updateCount_ = 0;
  bool useLeftAlignmentOnEditing_ = true;
  bool useMouseWheel_ = true;
  std::unique_ptr<TcxEditAlignment> alignmentView_;
  std::unique_ptr<TcxCustomEditPropertiesValues> assignedValues_;
  bool changesLocked_ = false;
  IcxEditDefaultValuesProvider* provider_ = nullptr;
};

// The editors' unit start: the global properties list, the default edit style controller and
// the global style controller.
void InitializeCxEdit();
