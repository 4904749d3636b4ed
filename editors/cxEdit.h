// The editor framework's model: the content alignment, the edit buttons, the edit styles and
// their controller, and the editor properties with the default-values provider. One
// properties object describes an editor kind for a standalone editor and for every cell that
// paints and edits through it.
#pragma once

#include <memory>
#include <vector>

#include "foundation/cxClasses.h"
#include "foundation/cxContainer.h"
#include "data/cxDataUtils.h"
#include "rtl/Classes.h"
#include "rtl/Variants.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"

struct TTypeInfo;
// Type information of the enumerations the editor kinds publish, each made once.
const TTypeInfo* EditEchoModeTypeInfo();   // TcxEditEchoMode
const TTypeInfo* EditMaskKindTypeInfo();   // TcxEditMaskKind
const TTypeInfo* CheckBoxStateTypeInfo();  // TcxCheckBoxState

class TcxCustomEditProperties;
class TcxCustomEditViewData;
class TcxCustomEditViewInfo;
class TcxCustomEdit;

// Three integers of a size question: a height (-1 free), a line count (0 unlimited) and a
// maximal width (negative: unlimited).
struct TcxEditSizeProperties {
  Integer Height = -1;
  Integer MaxLineCount = 0;
  Integer Width = -1;
};

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
  // The values held by the base style only.
  TcxContainerStyleValues SharedStyleValues() override {
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
  // Runs `change` inside the update bracket, which closes and notifies also when it raises.
  template <class F>
  void ChangeInUpdate(F&& change) {
    BeginUpdate();
    try {
      change();
    } catch (...) {
      EndUpdate(true);
      throw;
    }
    EndUpdate(true);
  }
  void SuppressChanges(bool lock) { changesLocked_ = lock; }
  bool ChangesSuppressed() const { return changesLocked_; }
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
  // Whether the shown text may come from the data field's own display text (a cell then
  // paints the record's display text, otherwise the properties format the record's value).
  virtual bool UsesFieldDisplayText(bool edit_focused) { return true; }
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
  // The editor control class of the kind (in-place editors are made of it).
  virtual TClass GetContainerClass();
  // The companions of the kind.
  virtual TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                                bool hide_display_text = false);
  virtual TcxCustomEditViewInfo* CreateViewInfo();
  // The size of a value's editor (see MeasureEditValueExtent).
  void MeasureEditValueByProperties(TcxCanvas* canvas, TcxCustomEditStyle* style, bool is_inplace,
                                    const Variant& edit_value, const TcxEditSizeProperties& request,
                                    TSize& size);

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
  // Kinds with more assigned-value flags replace the object in their constructor.
  void SetAssignedValuesObject(TcxCustomEditPropertiesValues* values) { assignedValues_.reset(values); }
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

// ---- view info and view data ------------------------------------------------------------------

class TcxCustomEditViewInfo;
class TcxCustomEditViewData;

// One laid-out button.
class TcxEditButtonViewInfo : public TPersistent {
  KORVAN_CLASS(TcxEditButtonViewInfo, TPersistent)

 public:
  TRect Bounds;
  TColor BackgroundColor = clWindow;
  String Caption;
  TAlignment ContentAlignment = taCenter;
  bool Default = false;
  bool Gradient = false;
  bool InPlace = false;
  TcxEditButtonKind Kind = bkDown;
  bool LeftAlignment = false;
  bool Leftmost = false;
  bool NativeStyle = false;
  bool Rightmost = false;
  TcxEditButtonState State = ebsNormal;
  TcxEditButtonStyle Style = bts3D;
  TColor TextColor = clBtnText;
  bool Transparent = false;
  String VisibleCaption;
  bool PartiallyTransparent = false;
  bool ComboLook = false;
  Integer NativePart = 0;
  Integer NativeState = 0;
  TBitmap* Glyph = nullptr;
  bool HasBackground = false;
  Integer Index = 0;
  bool Stretchable = true;
  TRect VisibleBounds;
  Integer Width = 0;

  // Copies native state, background colour, bounds, style and state only.
  void Assign(TPersistent* source) override;
  // Empty when style, state, background colour and native state equal other's.
  virtual TcxRegion* ChangedRegion(TcxEditButtonViewInfo* other);
  // Invalidates the bounds (moved by offset) when they differ; True when it did.
  virtual bool Repaint(TWinControl* control, TcxEditButtonViewInfo* other, const TPoint& offset);

 private:
  bool SameLook(const TcxEditButtonViewInfo* other) const;
};

// The width of a button (margins, glyph or caption), and the native state of a button.
Integer EditButtonWidth(TcxCanvas* canvas, TcxEditButtonViewInfo* button);
void CalculateNativeButtonState(TcxEditButtonViewInfo* button);
Integer ButtonContentVerticalOffset(TcxCanvas* canvas, TcxEditButtonStyle style, bool native);
// Border and background of an editor or cell, then its buttons. Content mode 0 the visual
// style's content rectangle, 1 the bounds shrunk by 3, 2 the client rectangle.
void PaintEditViewBackground(TcxCanvas* canvas, TcxCustomEditViewInfo* view_info, bool fill_client,
                             Integer content_mode);

using TcxEditDrawBackgroundEvent = std::function<void(TObject* sender, TcxCanvas* canvas, bool& handled)>;
using TcxEditDrawButtonEvent =
    std::function<void(TObject* sender, TcxCanvas* canvas, Integer index, bool& handled)>;
using TcxEditDrawButtonBackgroundEvent = std::function<void(
    TObject* sender, TcxCanvas* canvas, const TRect& r, Integer index, bool& handled)>;
using TcxEditDrawButtonBorderEvent =
    std::function<void(TObject* sender, TcxCanvas* canvas, Integer index, const TRect& bounds,
                       TRect& content, bool& handled)>;
using TcxEditGetButtonStateEvent =
    std::function<void(TObject* sender, Integer index, TcxEditButtonState& state)>;
using TcxEditPaintEvent = std::function<void(TObject* sender, TcxCanvas* canvas)>;

class TcxCustomEditViewInfo : public TcxContainerViewInfo {
  KORVAN_CLASS(TcxCustomEditViewInfo, TcxContainerViewInfo)

 public:
  TcxCustomEditViewInfo();
  ~TcxCustomEditViewInfo() override;

  TcxEditDrawBackgroundEvent OnDrawBackground;
  TcxEditDrawButtonEvent OnDrawButton;
  TcxEditDrawButtonBackgroundEvent OnDrawButtonBackground;
  TcxEditDrawButtonBorderEvent OnDrawButtonBorder;
  TcxEditGetButtonStateEvent OnGetButtonState;
  TcxEditPaintEvent OnPaint;

  TcxEditBorderStyle EditBorderStyle = ebsNone;
  std::vector<std::unique_ptr<TcxEditButtonViewInfo>> Buttons;
  TcxCustomEditProperties* Properties = nullptr;
  bool Enabled = true;
  bool Focused = false;
  TFont* Font = nullptr;
  bool Erase = false;
  bool InnerControlVisible = false;
  TRect InnerRect;
  bool ButtonPressed = false;
  bool IsInnerControl = false;
  bool PaintCopy = false;
  bool DesignMode = false;
  bool InPlace = false;
  Byte PaintOptions = 0;
  TcxEditPopupBorderStyle PopupBorderStyle = epbsDefault;
  Integer PressedButton = -1;
  Integer HotButton = -1;
  TRect BorderRectCopy;
  TColor TextColor = clWindowText;
  bool Transparent = false;
  // The editor's standalone transparency (no editor control yet: kept here).
  bool EditTransparent = false;
  // The in-place content offsets were non-empty at calculation.
  bool HasInplaceContentOffsets = false;
  TcxLookAndFeelKind LookAndFeelKind = lfStandard;
  // The editor control painted through this view info (none for a cell).
  TcxCustomEdit* Edit = nullptr;

  TcxContainerBorderStyle GetFrameStyle() override { return EditBorderStyle; }
  void PaintTo(TcxCanvas* canvas) override;
  void CopyLayoutFrom(TcxContainerViewInfo* other) override;
  TcxRegion* CreateChangedRegion(TcxContainerViewInfo* other) override;
  void TranslateBy(Integer dx, Integer dy) override;

  virtual void DrawEditor(TcxCanvas* canvas);
  virtual bool RepaintsOnStateChange() { return true; }
  virtual void PaintButtonAt(TcxCanvas* canvas, Integer index);
  virtual void DrawButton(TcxCanvas* canvas, Integer index);
  virtual void DrawButtonBorder(TcxCanvas* canvas, Integer index, TRect& fill_rect,
                                TRect& content_rect, TColor& text_color, TColor& background_color);
  virtual void DrawButtonSymbol(TcxCanvas* canvas, Integer index, const TRect& r,
                                TColor text_color, TColor background_color, bool pressed_shift);
  virtual void DrawButtonBackgroundFill(TcxCanvas* canvas, TcxEditButtonViewInfo* button,
                                        const TRect& r, TColor color);
  // The theme background of a natively painted button (its part and state).
  virtual void DrawNativeButtonBackground(TcxCanvas* canvas, TcxEditButtonViewInfo* button, const TRect& r);
  virtual bool HasHotButton() const;
  virtual bool IsPointOnButton(const TPoint& p) const;
  virtual bool QueryHint(TcxCanvas* canvas, const TPoint& p, String& text, bool& is_multi_line,
                         TRect& text_bounds);
  virtual bool QueryHintInRect(TcxCanvas* canvas, const TPoint& p, const TRect& area, String& text,
                               bool& is_multi_line, TRect& text_bounds);
  virtual void PrepareCanvasFont(TcxCanvas* canvas) {}
  virtual bool Repaint(TWinControl* control, TcxCustomEditViewInfo* old_view_info);
  virtual bool RepaintExcept(TWinControl* control, const TRect& excluded,
                             TcxCustomEditViewInfo* old_view_info);

  void SetButtonCount(Integer count);
  void DrawButtons(TcxCanvas* canvas);
  Integer GetBackgroundMode();
  bool IsBackgroundTransparent() {
    const Integer mode = GetBackgroundMode();
    return mode != 1 && mode != 3;
  }
  void DrawBackgroundPart(TcxCanvas* canvas, const TRect& r, const TRect& excluded,
                          bool keep_excluded);
  bool IsPartCustomDrawn(Integer index);
  bool DoDrawBackground(TcxCanvas* canvas);
  bool DoDrawButton(TcxCanvas* canvas, Integer index);
  bool DoDrawButtonBackground(TcxCanvas* canvas, const TRect& r, Integer index);
  bool DoDrawButtonBorder(TcxCanvas* canvas, Integer index, const TRect& bounds, TRect& content);
  void DoGetButtonState(Integer index, TcxEditButtonState& state);

 private:
  // Border, fill and symbol of one button on the canvas given.
  void PaintButtonParts(TcxCanvas* canvas, Integer index);
  void DrawButtonBorderByStyle(TcxCanvas* canvas, TcxEditButtonViewInfo* button, TRect& fill_rect,
                               TRect& content_rect, TColor& text_color, TColor& background_color);
  bool paintingButtons_ = false;
};

struct TcxEditContentMetrics {
  TRect Offsets;
  TRect ContentOffsets;
  Byte Flags = 2;
  Integer ExtraTextWidth = 0;
  Integer ExtraTextHeight = 0;
};

using TcxEditGetDefaultButtonWidthEvent =
    std::function<void(TObject* sender, Integer index, Integer& width)>;
using TcxEditGetDisplayTextEvent = std::function<void(TObject* sender, String& text)>;

class TcxCustomEditViewData : public TPersistent {
  KORVAN_CLASS(TcxCustomEditViewData, TPersistent)

 public:
  TcxCustomEditViewData(TcxCustomEditProperties* properties, TcxCustomEditStyle* style,
                        bool is_inplace);
  ~TcxCustomEditViewData() override;

  TcxEditGetDefaultButtonWidthEvent OnGetDefaultButtonWidth;
  TcxEditGetDisplayTextEvent OnGetDisplayText;

  bool IsInplace = false;
  Integer LeftSideLeftmostIndex = -1, LeftSideRightmostIndex = -1;
  Integer RightSideLeftmostIndex = -1, RightSideRightmostIndex = -1;
  TcxCustomEditProperties* Properties = nullptr;
  TcxCustomEditStyle* Style = nullptr;
  TRect Bounds;
  bool ButtonsFill = false;
  Integer ButtonVisibleCount = 0;
  TcxContainerStateFlags ContainerState{csfNormal};
  TRect InplaceEditContentOffsets;
  TcxEditContentMetrics ContentMetrics;
  bool Enabled = true;
  bool Focused = false;
  TAlignment HorzAlignment = taLeftJustify;
  Integer HScrollBarHeight = 0;
  Integer VScrollBarWidth = 0;
  bool DesignMode = false;
  bool EditValueFlag = true;
  bool NativeStyle = false;
  Byte PaintOptions = 0;
  bool HideDisplayText = false;
  bool ActiveOrHot = false;
  TColor OverrideColor1 = clDefault, OverrideColor2 = clDefault;
  TcxEditVertAlignment VertAlignment = taTopJustify;
  // Set by a cell's owner for text kinds: a line limit (0 none) and a highlighted range
  // (OverrideColor1 its text colour, OverrideColor2 its background).
  Integer MaxLineCount = 0;
  Integer HighlightStart = 0;
  Integer HighlightLength = 0;
  // The editor's remembered pressed button (without an editor control) and the previously
  // pressed button of a mouse event.
  Integer CapturedButton = -1;
  Integer PreviousPressedButton = -1;
  // The editor control laid out by this view data (none for a cell).
  TcxCustomEdit* Edit = nullptr;

  virtual void CalculateButtonNativeInfo(TcxEditButtonViewInfo* button);
  virtual bool CanPressButton(TcxCustomEditViewInfo* view_info, Integer index) { return true; }
  virtual TcxContainerStateFlags GetContainerState(const TRect& bounds, const TPoint& p,
                                                   Integer button, TShiftState shift,
                                                   bool is_mouse_event);
  virtual void GetContentOffsets(TRect& offsets);
  virtual void InitFromProperties();
  virtual void InitContentMetrics(TcxEditContentMetrics& metrics);
  virtual void ResetEditRect();
  virtual void GetClientText(const Variant& edit_value, String& text) { text.clear(); }
  virtual void GetEditSize(TcxCanvas* canvas, bool is_inplace, const TcxEditSizeProperties& request,
                           TSize& min_content_size, TcxCustomEditViewInfo* view_info, TSize& size);
  virtual void GetEditContentSize(TcxCanvas* canvas, const Variant& edit_value,
                                  const TcxEditSizeProperties& request, TSize& size) {
    size = TSize(0, 0);
  }
  virtual bool IsButtonForcedPressed(TcxCustomEditViewInfo* view_info, Integer index) { return false; }
  virtual void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p,
                                 Integer button, TShiftState shift,
                                 TcxCustomEditViewInfo* view_info, bool is_mouse_event);
  virtual void CalculateButtonBounds(TcxCanvas* canvas, TcxCustomEditViewInfo* view_info,
                                     Integer index, TRect& r);
  virtual void CalculateButtonsViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p,
                                        Integer button, TShiftState shift,
                                        TcxCustomEditViewInfo* view_info, bool is_mouse_event);
  virtual void CalculateButtonViewInfo(TcxCanvas* canvas, TcxCustomEditViewInfo* view_info,
                                       Integer index, TRect& r);
  virtual void FillDisplayText(TcxCanvas* canvas, const Variant& edit_value,
                               TcxCustomEditViewInfo* view_info) {}
  virtual TColor EffectiveBorderColor();
  virtual void GetClientExtent(TRect& extent);
  virtual TcxEditBorderStyle EffectiveBorderStyle();
  virtual void GetEditRect(TcxCanvas* canvas, TRect& extent);
  virtual void CalculateEditRect(TcxCanvas* canvas, TcxCustomEditViewInfo* view_info, TRect& extent);
  virtual void CalculateEditSizeForValue(TcxCanvas* canvas, const TcxEditSizeProperties& request,
                                         TSize& min_content_size, TcxCustomEditViewInfo* view_info,
                                         TSize& size);
  virtual void MeasureContent(TcxCanvas* canvas, const Variant& edit_value,
                              const TcxEditSizeProperties& request, TSize& size);
  virtual void GetBorderSizes(TSize& size);
  virtual bool HasShadow();
  static bool IsNativeStyle(TcxLookAndFeel* look_and_feel);

  Byte PaintOptionBits() const;
  Integer AskDefaultButtonWidth(Integer index);
  void EditValueToDisplayText(const Variant& edit_value, String& text);
  TcxEditButtonStyle EffectiveButtonStyle();
  void GetColorSettings(TColor& background, TColor& text_color);
  // The editor's remembered pressed button, -1 without one.
  Integer CapturedButtonIndex() const;
  // The editor's own focus answer, else the focused member.
  bool IsFocusedState() const;
  // The style's display font (its font for a detached style).
  TFont* StyleFont();
};

// The size an editor needs for a value (view_info may be null).
void MeasureEditValueExtent(TcxCustomEditViewData* view_data, TcxCanvas* canvas,
                            const Variant& edit_value, const TcxEditSizeProperties& request,
                            TcxCustomEditViewInfo* view_info, TSize& size);

// ---- repository ------------------------------------------------------------------------------------

class TcxEditRepositoryItem;
class TcxEditRepository;

// Objects that use a repository item (editor controls).
class IcxEditItemListener {
 public:
  virtual ~IcxEditItemListener() = default;
  virtual void ItemRemoved(TcxEditRepositoryItem* item) = 0;
  virtual void ItemPropertiesChanged(TcxEditRepositoryItem* item) = 0;
};

// A named component owning one properties object that many editors and cells share. Item
// classes of editor kinds pass their properties class to the constructor.
class TcxEditRepositoryItem : public TComponent {
  KORVAN_CLASS(TcxEditRepositoryItem, TComponent)

 public:
  using CreateArgType = TComponent*;
  explicit TcxEditRepositoryItem(TComponent* owner)
      : TcxEditRepositoryItem(owner, TcxCustomEditProperties::StaticClass()) {}
  TcxEditRepositoryItem(TComponent* owner, TClass properties_class);
  ~TcxEditRepositoryItem() override;

  virtual void PropertiesChanged(TObject* sender);
  virtual void AddListener(IcxEditItemListener* listener);
  virtual void RemoveListener(IcxEditItemListener* listener);
  TClass GetPropertiesClass() const { return propertiesClass_; }
  virtual String GetBaseName() const;
  Integer ListenerCount() const { return Integer(listeners_.size()); }

  TcxCustomEditProperties* Properties() const { return properties_.get(); }
  void SetProperties(TcxCustomEditProperties* value) { properties_->Assign(value); }
  TcxEditRepository* Repository() const { return repository_; }
  void SetRepository(TcxEditRepository* value);

  bool HasParent() const override { return repository_ != nullptr; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;

  TNotifyEvent PropertiesEvents;

 private:
  std::vector<IcxEditItemListener*> listeners_;
  std::unique_ptr<TcxCustomEditProperties> properties_;
  TcxEditRepository* repository_ = nullptr;
  TClass propertiesClass_;
};

class TcxEditRepository : public TComponent {
  KORVAN_CLASS(TcxEditRepository, TComponent)

 public:
  using CreateArgType = TComponent*;
  explicit TcxEditRepository(TComponent* owner) : TComponent(owner) {}
  ~TcxEditRepository() override;

  virtual TcxEditRepositoryItem* CreateItem(TClass item_class) { return CreateItemEx(item_class, this); }
  virtual TcxEditRepositoryItem* CreateItemEx(TClass item_class, TComponent* owner);
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  Integer Count() const { return Integer(items_.size()); }
  TcxEditRepositoryItem* Items(Integer index) const { return items_.at(size_t(index)); }
  void Clear();
  void AddItem(TcxEditRepositoryItem* item);
  void RemoveItem(TcxEditRepositoryItem* item);

 private:
  std::vector<TcxEditRepositoryItem*> items_;
};


// ---- data binding, edit data, change-event catcher ----------------------------------------------

// What an editor's data binding, its per-cell edit data and its change-event catcher need of
// the editor control (the editor control implements it). The companions reach the editor only
// through this, so they stand without the control class.
class IcxEditControl {
 public:
  virtual ~IcxEditControl() = default;
  // The editor as a component (owner of its binding, watched for its destruction).
  virtual TComponent* EditComponent() = 0;
  virtual TcxCustomEditProperties* GetEffectiveProperties() = 0;
  virtual bool UsesRepositoryItem() = 0;
  virtual void PropertiesChanged(TcxCustomEditProperties* properties) = 0;
  virtual Variant CurrentDisplayText() = 0;
  virtual bool ModifiedFlag() = 0;
  virtual Variant ReadEditValue() = 0;
  // The editor's reset of its value (back to the value saved on entering).
  virtual void ResetValue() = 0;
  virtual void SetValidatedDisplayValue(const Variant& value) = 0;
  virtual void SynchronizeDisplayValue() = 0;
  virtual bool HasChangeHandlers() = 0;
  virtual void FireChange() = 0;
  virtual bool HasEditValueChangedHandlers() = 0;
  virtual void DoEditValueChanged() = 0;
  // The editor resets its own data in an edit data object being cleared.
  virtual void ClearEditData(class TcxCustomEditData* data) {}
};

// The base binding: no data behind it, it reads and writes through the editor and supplies a
// neutral default values provider. Data-aware editors derive bindings with data.
class TcxEditDataBinding : public TPersistent {
  KORVAN_CLASS(TcxEditDataBinding, TPersistent)

 public:
  explicit TcxEditDataBinding(IcxEditControl* edit);
  ~TcxEditDataBinding() override;

  virtual void DefaultValuesChanged();
  virtual void GetDisplayValue(Variant& value) { value = edit_->CurrentDisplayText(); }
  virtual bool IsModified() { return edit_->ModifiedFlag(); }
  virtual void GetStoredValue(Variant& value) { value = edit_->ReadEditValue(); }
  virtual void Reset() { edit_->ResetValue(); }
  virtual void SetDisplayValue(const Variant& value) { edit_->SetValidatedDisplayValue(value); }
  virtual bool CanModifyData() { return true; }
  virtual void StoreValue(const Variant& value) {}
  virtual bool AcceptsEditorValueCheck();
  virtual bool ShouldPostEditorValue() { return IsModified(); }
  virtual bool ExecuteAction(TObject* action) { return false; }
  // The provider made by the constructor: descendants with data supply their own class.
  virtual TcxCustomEditDefaultValuesProvider* CreateDefaultValuesProvider();
  virtual void UpdateUnfocused() {}
  virtual bool UpdateAction(TObject* action) { return false; }
  virtual void SynchronizeEditor() { edit_->SynchronizeDisplayValue(); }
  virtual void RefreshBindingState() {}

  IcxEditControl* Edit() const { return edit_; }
  IcxEditDefaultValuesProvider* GetDefaultValuesProvider();
  bool HasDataAvailable() { return GetDefaultValuesProvider()->IsDataAvailable(); }
  TPersistent* GetOwner() const override { return edit_->EditComponent(); }

 private:
  IcxEditControl* edit_;
  std::unique_ptr<TcxCustomEditDefaultValuesProvider> provider_;
};

// The data controller's binding, published for editors bound to a data controller.
class TcxDataBinding : public TcxCustomDataBinding {
 public:
  using TcxCustomDataBinding::TcxCustomDataBinding;
};

// Per-editor state that a grid item keeps between in-place activations. It outlives the
// editor: a freed editor leaves it with a nil editor.
class TcxCustomEditData : public TObject {
  KORVAN_CLASS(TcxCustomEditData, TObject)

 public:
  explicit TcxCustomEditData(IcxEditControl* edit);
  ~TcxCustomEditData() override;
  // Marks the data cleared and lets the editor reset its own part of it.
  void Clear();
  bool Cleared() const { return cleared_; }
  void SetCleared(bool value) { cleared_ = value; }
  IcxEditControl* Edit() const { return edit_; }

 private:
  bool cleared_ = false;
  IcxEditControl* edit_;
  std::unique_ptr<TcxFreeNotificator> freeNotificator_;
};

// Holds an editor's change events while they are locked; the last unlock that asks fires each
// pending event once.
class TcxEditChangeEventsCatcher : public TObject {
  KORVAN_CLASS(TcxEditChangeEventsCatcher, TObject)

 public:
  explicit TcxEditChangeEventsCatcher(IcxEditControl* edit) : edit_(edit) {}
  bool IsLocked() const { return lockCount_ > 0; }
  void Lock(bool lock, bool invoke = true);
  bool OnChangeEvent = false;
  bool OnEditValueChangedEvent = false;

 private:
  IcxEditControl* edit_;
  Integer lockCount_ = 0;
};

// ---- editor control ------------------------------------------------------------------------------

KORVAN_EXCEPTION(EcxEditError, Exception);
KORVAN_EXCEPTION(EcxEditValidationError, EcxEditError);

using TcxEditEditingEvent = std::function<void(TObject* sender, bool& can_edit)>;
using TcxEditTrailingKeyEvent = std::function<void(TObject* sender, Word& key, TShiftState shift)>;

// The base of every editor control. It works through a properties object, its own or a
// repository item's, holds its value as a variant, validates its display text into that value,
// tracks modification and hands values on through its data binding. Standalone or in place,
// fixed at construction. Kinds pass their properties class to the constructor (a constructor
// cannot dispatch to a descendant); the data binding is made on first use.
class TcxCustomEdit : public TcxContainer,
                      public IcxEditControl,
                      public IcxEditValidator,
                      public IcxEditItemListener {
  KORVAN_CLASS(TcxCustomEdit, TcxContainer)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomEdit(TComponent* owner)
      : TcxCustomEdit(owner, false, TcxCustomEditProperties::StaticClass()) {}
  TcxCustomEdit(TComponent* owner, bool in_place, TClass properties_class);
  ~TcxCustomEdit() override;

  // Value and validation.
  virtual Variant GetEmptyEditValue() { return Null(); }
  Variant ReadEditValue() override { return editValue_; }
  virtual void WriteEditValue(const Variant& value);
  Variant EditValue() { return ReadEditValue(); }
  void SetEditValue(const Variant& value) { WriteEditValue(value); }
  virtual void SetInternalEditValue(const Variant& value);
  virtual void InternalSetEditValue(const Variant& value, bool flag);
  virtual Variant GetDisplayValue() { return ReadEditValue(); }
  virtual Variant GetCurrentValue();
  virtual void InternalSetDisplayValue(const Variant& value) {}
  virtual void SetDisplayValue(const Variant& value);
  void SetValidatedDisplayValue(const Variant& value) override {}
  void SynchronizeDisplayValue() override {}
  virtual void UpdateEditValueFromDisplay() {}
  virtual void RefreshDisplayText() {}
  virtual void SelectWholeText() {}
  virtual void ClearValue() { WriteEditValue(GetEmptyEditValue()); }
  virtual void PrepareDisplayValue(const Variant& edit_value, Variant& display_value,
                                   bool edit_focused);
  bool ValidateEdit(bool raise_on_error);
  virtual void HandleValidationError(const String& error_text);
  void PostEditValue(bool validate_first = false);
  bool CanPostEditValue();
  virtual void BeginPostLock() { posting_ = true; }
  virtual void EndPostLock() { posting_ = false; }
  virtual void RestoreEnterValue();
  bool CanRestoreEnterValue();
  // The base answer: an empty text.
  Variant CurrentDisplayText() override { return Variant(String()); }

  // Modification.
  bool CanModify();
  virtual bool CanModifyEdit() { return true; }
  virtual bool IsEditableEffective();
  virtual bool IsEditingKey(Word key, TShiftState shift) { return false; }
  virtual bool IsEditingChar(char32_t c) { return false; }
  virtual bool AcceptsChar(char32_t c);
  virtual bool IsReadOnlyOrNoData();
  bool ModifiedFlag() override { return modified_; }
  bool ChangedSinceEnter() const { return changedSinceEnter_; }
  bool Validated() const { return validated_; }
  void SetModifiedFlag(bool value);
  void SetChangedSinceEnter(bool value);
  void PushModifiedState();
  void PopModifiedState();
  void ModifiedByUser();
  // The inner content changed.
  virtual void DataChanged();
  bool UserChange() const { return userChange_; }
  void SetUserChange(bool value) { userChange_ = value; }
  void ResetValue() override { RestoreEnterValue(); }

  // Change events.
  void LockChangeEvents(bool lock, bool notify = true) { catcher_->Lock(lock, notify); }
  bool ChangeEventsLocked() const { return catcher_->IsLocked(); }
  void LockEditValueChanges(bool lock);
  void LockValueAssignment(bool lock);
  void NotifyChange();
  void NotifyEditValueChanged();
  void FireChange() override;
  void DoEditValueChanged() override;
  bool HasChangeHandlers() override;
  bool HasEditValueChangedHandlers() override;
  bool HasValidateHandlers();
  bool HasValidateHandler() override { return HasValidateHandlers(); }
  void FireValidateEvents(Variant& display_value, String& error_text, bool& error) override;
  virtual void DoButtonClick(Integer index);
  virtual void DoButtonDown(Integer index) {}
  virtual void DoButtonUp(Integer index) {}
  virtual void ClickDefaultButton();
  Integer DefaultButtonIndex();
  virtual bool IsClickKey(Word key, TShiftState shift);
  void NotifyPopupClosed(Integer reason);
  void Click() override;
  virtual bool ClickWhileLoading() { return false; }

  // Properties, repository item, binding.
  virtual TClass GetPropertiesClass() { return propertiesClass_; }
  TcxCustomEditProperties* Properties() const { return properties_.get(); }
  TcxCustomEditProperties* GetEffectiveProperties() override;
  bool UsesRepositoryItem() override { return repositoryItem_ != nullptr; }
  TcxEditRepositoryItem* RepositoryItem() const { return repositoryItem_; }
  void SetRepositoryItem(TcxEditRepositoryItem* item);
  virtual bool CanAcceptRepositoryItem(TcxEditRepositoryItem* item);
  virtual void RepositoryItemChanging() {}
  virtual void RepositoryItemChanged() {}
  void PropertiesChanged(TcxCustomEditProperties* properties) override;
  virtual TcxEditDataBinding* CreateDataBinding() { return new TcxEditDataBinding(this); }
  TcxEditDataBinding* DataBinding();
  TComponent* EditComponent() override { return this; }
  void ItemRemoved(TcxEditRepositoryItem* item) override;
  void ItemPropertiesChanged(TcxEditRepositoryItem* item) override;

  // In place. CreateInplace makes an editor of a class in place (the constructor reads the
  // request, as a constructor cannot take it through the class's factory).
  static TcxCustomEdit* CreateInplace(TClass edit_class, TComponent* owner);
  virtual TClass GetEditDataClass() { return nullptr; }
  virtual TcxCustomEditData* CreateEditData() { return nullptr; }
  virtual void InitEditData() {}
  virtual bool SendActivationKey(char32_t key) { return true; }
  virtual void HookInnerEdit() {}
  virtual void UnhookInnerEdit() {}
  virtual void ActivateInPlace(TcxCustomEditData*& edit_data);
  virtual void ActivateByKey(char32_t key, TcxCustomEditData*& edit_data);
  virtual void ActivateByMouse(TShiftState shift, Integer x, Integer y, TcxCustomEditData*& edit_data);
  virtual bool DeactivateInPlace();
  TcxCustomEditData* CurrentEditData() const { return editData_; }
  TcxTimer* DoubleClickTimer() const { return doubleClickTimer_; }

  // The view data of the edit's kind for its current state: the active style, in place the
  // cached content metrics, then the edit's state (FillViewInfoState).
  virtual TcxCustomEditViewData* CreateViewData();
  virtual void FillViewInfoState(TcxCustomEditViewData* view_data);
  // The container style of the current state.
  TcxCustomEditStyle* GetActiveEditStyle();
  // The content metrics taken once from a fresh view data at set-up.
  const TcxEditContentMetrics& CachedContentMetrics();
  // The edit itself draws its buttons on this device context (no edit buttons there).
  virtual bool PaintsOwnButtons(HDC dc) { return false; }
  virtual bool UsesParentThemeBackground() { return false; }
  virtual bool IsInplaceForPaint() { return inPlace_; }
  // The wheel changes the value: standalone, with the properties' wheel flag, or with Ctrl.
  virtual bool AcceptsMouseWheel(TShiftState shift);
  bool IsEditorKey(Word key, TShiftState shift);
  // The first button whose rectangle holds the point, -1 when none.
  Integer ButtonAt(const TPoint& p);
  void UpdateViewInfoAtCursor();
  void DblClick() override;
  void GetTabOrderList(std::vector<TWinControl*>& list) override;
  void RequestAlign() override;
  void SetName(const String& value) override;
  void SetParent(TWinControl* parent) override;
  // Reading from form text starts: the own properties are unhooked until Loaded.
  void Loading() override;

  // State.
  bool InPlace() const { return inPlace_; }
  bool IsInplace() override { return inPlace_; }
  // The edit moves the focus on Tab itself.
  bool TabMovesFocus() override { return false; }
  // The frame: from the view info's bounds to its border rectangle on each side.
  void FrameExtent(TRect& extent) override;
  // The button and popup values (10 to 13) are not streamed with the edit's styles.
  TcxContainerStyleValues UnstoredStyleValues() override;
  // Themes are used when the kind's view data paints natively for the normal style.
  bool UsesThemes() override;
  // Edit styles, and the view info of the properties' kind.
  TcxContainerStyle::TFactory StyleClass() override { return &TcxEditStyle::CreateInState; }
  TcxContainerViewInfo* CreateViewInfo() override;
  TcxCustomEditViewInfo* GetEditViewInfo() { return dynamic_cast<TcxCustomEditViewInfo*>(ViewInfo()); }
  // The view info calculated from a fresh view data at a point; button presses and releases
  // of a mouse event are told to the edit.
  bool RefreshState(const TPoint& p, Integer button, TShiftState shift, bool is_mouse_event) override;
  virtual void UpdateButtonStates(TcxCustomEditViewInfo* old_view_info, bool is_mouse_event);
  Integer PressedButton() const { return pressedButton_; }
  bool InEditingMode();
  virtual bool SynchronizesOnEnterExit() { return true; }
  virtual bool HandlesNavigationKeys() { return false; }
  virtual bool IsInnerEditShown() { return false; }
  bool AutoSize() const { return autoSize_; }
  virtual void ChangeAutoSize(bool value);
  virtual bool CanAutoHeight() { return !inPlace_ && autoSize_; }
  virtual bool CanAutoWidth();
  // The size request of auto-size measuring: free height, one line, the control's width.
  virtual TcxEditSizeProperties GetEditSizeProperties() { return {-1, 1, Width()}; }
  // The measured size replaces the requested one as the alignment allows.
  void CalculateAutoSize(Integer& width, Integer& height);
  bool CanResize(Integer& width, Integer& height) override;
  // The height with auto size brought up to date (the published Height).
  Integer AutoSizedHeight() const;
  void AlignInnerControl() override;
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value) { transparent_ = value; }
  virtual bool IsTransparent() { return !inPlace_ && transparent_; }
  bool FocusingForError() const { return focusingForError_; }

  // Clipboard (text kinds override).
  virtual void CopyTextOut() {}
  virtual void CutToClipboard() {}
  virtual void PasteFromClipboard() {}
  // Clipboard messages, button accelerators, no context menu in place.
  void WndProc(TMessage& m) override;

  // Keys and focus.
  virtual void DoEditKeyDown(Word& key, TShiftState shift);
  virtual void DoEditKeyPress(char32_t& key);
  virtual void DoEditKeyUp(Word& key, TShiftState shift) {}
  virtual bool ValidateKeyDown(Word& key, TShiftState shift);
  virtual bool ValidateKeyPress(char32_t& key);
  virtual void HandleTabKey(TShiftState shift) {}
  void FireTrailingKeyEvent(Word& key, TShiftState shift);
  virtual void EnterEdit();
  void ExitEdit(bool call_on_exit);
  virtual void FocusStateChanged();
  bool FocusHasLeftForGood();
  bool HasFocusInForm();
  void DoEnter() override;
  void DoExit() override;
  void NotifyFocusChanged() override;
  // Actions: the control's own handling first, then the data binding's (cxEditActions.cpp).
  bool ExecuteAction(TBasicAction* action) override;
  bool UpdateAction(TBasicAction* action) override;

  TNotifyEvent PropertiesEvents;
  TcxEditEditingEvent OnEditing;
  TcxEditTrailingKeyEvent OnAfterKeyDown;
  TNotifyEvent OnPostEditValue;

 protected:
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;
  // The view info paints itself, or a data-bound copy paints the stored value.
  void PaintBorderAndContent() override;
  virtual void PaintWithoutInnerEdit();
  void SetProperties(TcxCustomEditProperties* value) { properties_->Assign(value); }
  void HookProperties(bool hook);
  // Height and Width are streamed as defined properties, left out where auto size decides.
  void DefineProperties(TFiler* filer) override;

 private:
  void FireChangeEvent(void (TcxCustomEdit::*fire)());
  struct TSavedModifiedState {
    bool modified;
    bool changedSinceEnter;
  };

  TClass propertiesClass_;
  TcxTimer* doubleClickTimer_ = nullptr;
  Integer pressedButton_ = -1;
  bool inAutoSize_ = false;
  TcxCustomEditData* editData_ = nullptr;
  bool autoSize_ = true;
  std::unique_ptr<TcxEditChangeEventsCatcher> catcher_;
  Integer valueAssignmentCount_ = 0;
  bool inOnEditing_ = false;
  Integer editValueChangeLock_ = 0;
  bool cachedFocus_ = false;
  bool validated_ = false;
  bool escPending_ = false;
  bool inPlace_ = false;
  bool posting_ = false;
  bool userChange_ = false;
  bool modified_ = false;
  bool changedSinceEnter_ = false;
  bool focusingForError_ = false;
  bool transparent_ = false;
  bool firstParent_ = true;
  bool contentMetricsCached_ = false;
  TcxEditContentMetrics contentMetrics_;
  std::vector<TSavedModifiedState> savedStates_;
  Variant valueSavedOnEnter_;
  TcxEditRepositoryItem* repositoryItem_ = nullptr;
  std::unique_ptr<TcxEditDataBinding> dataBinding_;
  Variant editValue_;
  std::unique_ptr<TcxCustomEditProperties> properties_;
};

// ---- in-place editors ------------------------------------------------------------------------------

// A host's cache of in-place editors: one editor per properties object; an editor whose
// properties are gone is free and serves the next properties of its class.
class TcxInplaceEditList : public TObject {
  KORVAN_CLASS(TcxInplaceEditList, TObject)

 public:
  TcxInplaceEditList();
  ~TcxInplaceEditList() override;

  TcxCustomEdit* ObtainEdit(TcxCustomEditProperties* properties);
  TcxCustomEdit* FindBoundEdit(TcxCustomEditProperties* properties);
  TcxCustomEdit* ObtainEditOfClass(TClass properties_class);
  // A free editor of exactly this editor class, made (and kept free) when there is none.
  TcxCustomEdit* ObtainEditOfEditClass(TClass edit_class);
  void UnbindProperties(TcxCustomEditProperties* properties);
  void ReleaseEdit(TcxCustomEditProperties* properties);
  Integer Count() const { return Integer(items_.size()); }

 private:
  struct TItem {
    TcxCustomEdit* edit;
    TcxCustomEditProperties* properties;
  };
  TcxCustomEdit* FreeEditOfClass(TClass edit_class);
  TcxCustomEdit* AddEdit(TClass edit_class, TcxCustomEditProperties* properties);
  std::vector<TItem> items_;
};

// Every live cache forgets a properties object (its editor becomes free).
void DisconnectPropertiesFromInplaceLists(TcxCustomEditProperties* properties);

// The repository of items made by code, created on first use.
TcxEditRepository* DefaultEditRepository();

// The screen cursor number of the editors' mouse-wheel cursor.
constexpr Integer crcxEditMouseWheel = 4101;

// The editors' unit start: the global properties list, the default edit style controller and
// the global style controller.
void InitializeCxEdit();
