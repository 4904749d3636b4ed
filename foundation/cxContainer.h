// The editor container: a control with a frame of its own around a content area, painted
// from the style of its current state (normal, focused, disabled, hot), optionally hosting
// an inner windowed control (edit box, list box). Also the container styles with their
// style controllers, the inner list box, and the custom popup window with the thread hooks
// that close popups on outside clicks, deactivation and owner changes.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "foundation/cxControls.h"
#include "foundation/cxGeometry.h"
#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/cxScrollBar.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

class TcxContainer;
class TcxContainerStyle;
class TcxStyleController;

// Private messages of the container unit.
constexpr Cardinal DXM_CLOSEPOPUPWINDOW = 0x8065;
constexpr Cardinal DXM_SHOWPOPUPWINDOW = 0x8066;
constexpr Cardinal DXM_CONTAINERSETFOCUS = 0x8067;
constexpr Cardinal DXM_UPDATESCROLLBARS = 0x8068;

enum TcxContainerBorderStyle { cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11 };

// Bit i of the set is the flag with mask 1 << i: csfNormal 1, csfFocused 2, csfDisabled 4,
// csfHot 8.
enum TcxContainerStateFlag { csfNormal, csfFocused, csfDisabled, csfHot };
using TcxContainerStateFlags = TSet<TcxContainerStateFlag, 8>;

enum TcxContainerStyleState { cssNormal, cssFocused, cssDisabled, cssHot };

// Style values 0..9 of the container style; descendants add values after 9.
enum TcxContainerStyleValue : int {
  svBorderColor, svBorderStyle, svColor, svEdges, svFont, svHotTrack, svShadow, svTextColor,
  svTextStyle, svTransparentBorder
};
using TcxContainerStyleValues = TSet<TcxContainerStyleValue, 32>;

// A window region wanted for a child: "full" means no region (it lies wholly inside).
struct TcxContainerInnerControlBounds {
  bool IsEmpty = true;  // "full"
  TRect Rect;
  bool operator==(const TcxContainerInnerControlBounds& o) const {
    return IsEmpty == o.IsEmpty && (IsEmpty || Rect == o.Rect);
  }
};

// ---- helpers ---------------------------------------------------------------------------------

constexpr Integer cxContainerShadowWidth = 3;
Integer BorderWidthOfStyle(TcxContainerBorderStyle style);
Integer BorderWidthOfKind(TcxLookAndFeelKind kind);
Integer MapMouseButton(TMouseButton button);
void GetLocalBounds(TControl* control, TRect& r);
void GrowRectByEdges(TRect& r, Integer width, const TcxBorders& edges);
void DeflateRectByMissingEdges(TRect& r, Integer width, const TcxBorders& edges);
void PaintContainerShadow(TcxCanvas* canvas, const TRect& r);
void FillFrameBetween(TcxCanvas* canvas, const TRect& outer, const TRect& inner, TColor color);
void InvalidateAroundRect(HWND wnd, const TRect& outer, const TRect& inner, bool erase);
void InvalidateControlArea(TWinControl* control, const TRect& r, bool erase);
// A region of r (with its copy moved by the shadow when shadow), minus cutOut; nullptr
// when noRegion.
HRGN BuildFrameRegion(HWND wnd, const TRect& r, bool noRegion, const TRect& cutOut, bool shadow);
void UpdateWindowRegion(HWND wnd, const TRect& r, bool noRegion, const TRect& cutOut, bool shadow);
void InnerRegionOf(TWinControl* control, const TcxContainerInnerControlBounds& bounds);
bool CanPaintNatively(bool nativeStyle, TdxThemeClass themeClass);
bool StringsEqual(const String& s1, const String& s2, bool caseSensitive);
void ReadCursorPos(TPoint& p);
TShiftState CurrentShiftState();
bool PurgeMessages(HWND wnd, UINT first, UINT last, bool all);
HWND TopLevelWindowOf(HWND wnd);
bool IsWindowShown(TWinControl* control);
void CopyFontFrom(TFont* destination, TFont* source);
void RecreateWindowOf(TWinControl* control);
TcxScreenCanvas* SharedScreenCanvas();

// ---- view info -------------------------------------------------------------------------------

class TcxContainerViewInfo : public TObject {
  KORVAN_CLASS(TcxContainerViewInfo, TObject)

 public:
  // Makes an object of a view info class (raises EInvalidCast for another class).
  static TcxContainerViewInfo* CreateOfClass(TClass cls);
  TcxContainerViewInfo() = default;
  ~TcxContainerViewInfo() override = default;

  TColor FillColor = clWindow;
  TColor FrameColor = clWindowFrame;
  TRect InteriorRect;
  TcxContainerBorderStyle FrameStyle = cbsNone;
  Integer FrameThickness = 0;
  TRect OuterRect;
  TRect ClientArea;
  TcxContainerStateFlags StateFlags{csfNormal};
  TcxBorders FrameSides = cxBordersAll;
  Byte HotLevel = 0;
  bool UsesTheme = false;
  bool HasShadow = false;
  Integer ThemePart = 0;
  Integer ThemeState = 0;
  TdxThemeClass ThemeClassIndex = tcEdit;

  virtual void DrawFrame(TcxCanvas* canvas, const TRect& r);
  virtual TcxContainerBorderStyle GetFrameStyle() { return FrameStyle; }
  virtual void PaintFrameAndFill(TcxCanvas* canvas);
  virtual void SetFillColor(TColor c) { FillColor = c; }
  virtual void CopyLayoutFrom(TcxContainerViewInfo* other);
  virtual TcxRegion* CreateChangedRegion(TcxContainerViewInfo* other);
  virtual void TranslateBy(Integer dx, Integer dy);
  virtual void PaintTo(TcxCanvas* canvas) { PaintFrameAndFill(canvas); }
};

// ---- styles ----------------------------------------------------------------------------------

class TcxContainerStyle : public TPersistent {
  KORVAN_CLASS(TcxContainerStyle, TPersistent)

 public:
  TcxContainerStyle(TPersistent* owner, bool detached, TcxContainerStyle* baseStyle = nullptr,
                    TcxContainerStyleState state = cssNormal);
  ~TcxContainerStyle() override;
  // The virtual constructor of style classes.
  using TFactory = TcxContainerStyle* (*)(TPersistent*, bool, TcxContainerStyle*, TcxContainerStyleState);
  static TcxContainerStyle* CreateInState(TPersistent* owner, bool detached, TcxContainerStyle* baseStyle,
                                          TcxContainerStyleState state) {
    return new TcxContainerStyle(owner, detached, baseStyle, state);
  }

  void Assign(TPersistent* source) override { AssignFrom(source); }
  virtual void AssignFrom(TPersistent* source);
  TPersistent* GetOwner() const override { return ownerObject_; }

  void BeginUpdate() { ++updateDepth_; }
  void EndUpdate();
  bool IsBaseStyle() const { return baseStyle_ == nullptr; }
  bool IsBaseStyleConst() const { return IsBaseStyle(); }
  TcxContainerStyle* BaseStyle() { return baseStyle_ ? baseStyle_ : this; }
  TcxStyleController* ActiveStyleController() { return BaseStyle()->styleController_; }
  TcxContainer* OwnerContainer() const;
  TPersistent* OwnerObject() const { return ownerObject_; }
  TcxContainerStyleState StyleState() const { return state_; }
  bool Detached() const { return detached_; }
  TFont* DisplayFont();
  void RefreshFontFromController();
  bool FindStyleValue(const String& name, Integer& index);
  bool IsStateSpecificProperty(const String& name);
  void ResetFont(TFont* font);
  void LockFontAssignment(bool lock);
  bool IsFontAssignmentLocked() const { return fontAssignmentLock_ > 0; }
  bool BeingFreed() const { return beingFreed_; }

  // Published values.
  TcxContainerStyleValues AssignedValues() const;
  TcxContainerStyleValues StoredAssignedValues() const { return assignedValues_; }
  void SetAssignedValues(const TcxContainerStyleValues& v);
  // Removes a value from the assigned set without notification (the container's own
  // colour and font handling).
  void ForgetAssignedValue(TcxContainerStyleValue v) { assignedValues_.Exclude(v); }
  TColor BorderColor();
  void SetBorderColor(TColor v);
  TcxContainerBorderStyle BorderStyle();
  void SetBorderStyle(TcxContainerBorderStyle v);
  virtual TColor GetColor();
  TColor Color() { return GetColor(); }
  void SetColor(TColor v);
  TcxBorders Edges();
  void SetEdges(const TcxBorders& v);
  TFont* Font();
  void SetFont(TFont* v);
  bool HotTrack();
  void SetHotTrack(bool v);
  TcxLookAndFeel* LookAndFeel() { return BaseStyle()->lookAndFeel_.get(); }
  void SetLookAndFeel(TcxLookAndFeel* v);
  bool Shadow();
  void SetShadow(bool v);
  TcxStyleController* StyleController();
  void SetStyleController(TcxStyleController* v);
  TColor TextColor() { return EffectiveTextColor(); }
  void SetTextColor(TColor v);
  TFontStyles TextStyle() { return EffectiveTextStyle(); }
  void SetTextStyle(const TFontStyles& v);
  bool TransparentBorder();
  void SetTransparentBorder(bool v);

  // Stored functions.
  bool IsValueStored(TcxContainerStyleValue v);
  bool IsBorderColorStored() const { return Stored(svBorderColor); }
  bool IsBorderStyleStored() const { return Stored(svBorderStyle); }
  bool IsColorStored() const { return Stored(svColor); }
  bool IsEdgesStored() const { return Stored(svEdges); }
  bool IsFontStored() const { return Stored(svFont); }
  bool IsHotTrackStored() const { return Stored(svHotTrack); }
  bool IsShadowStored() const { return Stored(svShadow); }
  bool IsTextColorStored() const { return Stored(svTextColor); }
  bool IsTextStyleStored() const { return Stored(svTextStyle); }
  bool IsTransparentBorderStored() const { return Stored(svTransparentBorder); }
  bool IsStyleControllerStored() const { return state_ == cssNormal; }

  // Lookup along the controller chain.
  bool LookupBorderColor(TColor& v);
  bool LookupBorderStyle(TcxContainerBorderStyle& v);
  bool LookupColor(TColor& v);
  bool LookupEdges(TcxBorders& v);
  bool LookupFont(TFont*& v);
  bool LookupHotTrack(bool& v);
  bool LookupShadow(bool& v);
  bool LookupTextColor(TColor& v);
  bool LookupTextStyle(TFontStyles& v);
  bool LookupTransparentBorder(bool& v);

  virtual void NotifyChanged();
  virtual void StyleControllerChanged();
  virtual void ControllerFreed(TcxStyleController* controller);
  virtual TColor DefaultBorderColor();
  virtual TcxContainerBorderStyle DefaultBorderStyle();
  virtual TColor DefaultColor();
  virtual TcxBorders DefaultEdges() { return cxBordersAll; }
  virtual bool DefaultHotTrack() { return true; }
  virtual bool DefaultShadow() { return false; }
  virtual TColor DefaultTextColor();
  virtual TFontStyles DefaultTextStyle();
  virtual bool DefaultTransparentBorder() { return true; }
  virtual void HandleFontChange(TObject* sender);
  virtual TcxStyleController* DefaultStyleController();
  virtual TColor ControlColor();
  virtual TColor EffectiveTextColor();
  virtual TFontStyles EffectiveTextStyle();
  virtual TcxContainerStyleValues SharedStyleValues();
  virtual Integer StyleValueCount() { return 10; }
  virtual bool StyleValueNameOf(Integer index, String& name);
  virtual bool SupportsBorder() { return IsBaseStyle() ? true : baseStyle_->SupportsBorder(); }
  virtual bool ReadStyleValue(Integer index);
  virtual void RestoreDefaults();

  // The pseudo-property "IsFontAssigned" of form descriptions.
  void DefineProperties(TFiler* filer) override;

  TNotifyEvent OnChanged;

 protected:
  void FlushChange();
  bool Stored(TcxContainerStyleValue v) const { return const_cast<TcxContainerStyle*>(this)->IsValueStored(v); }
  void HandleLookAndFeelChange(TcxLookAndFeel*, const TcxLookAndFeelValues&) { NotifyChanged(); }
  template <class T>
  bool LookupValue(TcxContainerStyleValue v, T TcxContainerStyle::*field, T& out,
                   bool (TcxContainerStyle::*next)(T&));

  TColor borderColor_ = clDefault;
  TcxContainerBorderStyle borderStyle_ = cbsNone;
  TcxBorders edges_ = cxBordersAll;
  bool hotTrack_ = true;
  bool shadow_ = false;
  bool transparentBorder_ = true;
  bool detached_ = false;
  Integer fontAssignmentLock_ = 0;
  bool beingFreed_ = false;
  std::unique_ptr<TcxLookAndFeel> lookAndFeel_;
  bool changePending_ = false;
  TPersistent* ownerObject_ = nullptr;
  TcxContainerStyle* baseStyle_ = nullptr;
  TcxContainerStyleState state_ = cssNormal;
  TFontStyles textStyle_;
  Integer updateDepth_ = 0;
  std::unique_ptr<TFont> displayFont_;
  TcxContainerStyleValues assignedValues_;
  TcxStyleController* styleController_ = nullptr;
  TColor color_ = clWindow;
  TFont* font_ = nullptr;  // owned by a base style that is not detached
  TColor textColor_ = clWindowText;
};

class TcxContainerStyles : public TObject {
  KORVAN_CLASS(TcxContainerStyles, TObject)

 public:
  TcxContainerStyles(TPersistent* owner, TcxContainerStyle::TFactory styleClass);
  ~TcxContainerStyles() override;
  // The virtual constructor of styles classes.
  using TFactory = TcxContainerStyles* (*)(TPersistent*, TcxContainerStyle::TFactory);
  static TcxContainerStyles* CreateStyles(TPersistent* owner, TcxContainerStyle::TFactory styleClass) {
    return new TcxContainerStyles(owner, styleClass);
  }
  TcxContainerStyle* StyleOfState(TcxContainerStyleState s) const { return styles_[s]; }
  TcxContainerStyle* NormalStateStyle() const { return styles_[cssNormal]; }
  TcxContainerStyle* FocusedStateStyle() const { return styles_[cssFocused]; }
  TcxContainerStyle* DisabledStateStyle() const { return styles_[cssDisabled]; }
  TcxContainerStyle* HotStateStyle() const { return styles_[cssHot]; }
  void AssignStateStyle(TcxContainerStyleState s, TcxContainerStyle* source) { styles_[s]->Assign(source); }
  void AssignNormalStyle(TcxContainerStyle* source) { AssignStateStyle(cssNormal, source); }
  void AssignFocusedStyle(TcxContainerStyle* source) { AssignStateStyle(cssFocused, source); }
  void AssignDisabledStyle(TcxContainerStyle* source) { AssignStateStyle(cssDisabled, source); }
  void AssignHotStyle(TcxContainerStyle* source) { AssignStateStyle(cssHot, source); }
  void SetChangeHandler(const TNotifyEvent& handler);

 private:
  TcxContainerStyle* styles_[4] = {};
};

class TcxStyleController : public TComponent {
  KORVAN_CLASS(TcxStyleController, TComponent)

 public:
  using CreateArgType = TComponent*;
  explicit TcxStyleController(TComponent* owner);
  ~TcxStyleController() override;

  void Loaded() override;
  virtual void AddStyleListener(TcxContainerStyle* style);
  virtual TcxContainerStyle::TFactory StyleClass() { return &TcxContainerStyle::CreateInState; }
  virtual TcxContainerStyles::TFactory StylesClass() { return &TcxContainerStyles::CreateStyles; }
  virtual void RemoveStyleListener(TcxContainerStyle* style);

  // The four styles, made on first use through StylesClass and StyleClass (a constructor
  // cannot reach a descendant's choice).
  TcxContainerStyles* StateStyles() const;
  TcxContainerStyle* BaseStyle() const { return StateStyles()->NormalStateStyle(); }
  TcxContainerStyle* Style() const { return BaseStyle(); }
  TcxContainerStyle* StyleOfState(TcxContainerStyleState s) const { return StateStyles()->StyleOfState(s); }
  TcxContainerStyle* StyleDisabled() const { return StateStyles()->DisabledStateStyle(); }
  TcxContainerStyle* StyleFocused() const { return StateStyles()->FocusedStateStyle(); }
  TcxContainerStyle* StyleHot() const { return StateStyles()->HotStateStyle(); }
  void SetStyle(TcxContainerStyle* v) { StateStyles()->AssignNormalStyle(v); }
  void SetStyleDisabled(TcxContainerStyle* v) { StateStyles()->AssignDisabledStyle(v); }
  void SetStyleFocused(TcxContainerStyle* v) { StateStyles()->AssignFocusedStyle(v); }
  void SetStyleHot(TcxContainerStyle* v) { StateStyles()->AssignHotStyle(v); }
  void NotifyStylesChanged();
  void ScaleFont(Integer m, Integer d);
  bool IsDestroying() const { return beingFreed_; }
  Integer ListenerCount() const { return Integer(listeners_.size()); }
  TcxStyleController* FakeStyleController() const { return BaseStyle()->StyleController(); }
  void SetFakeStyleController(TcxStyleController*) {}

  TNotifyEvent OnStyleChanged;

 private:
  bool beingFreed_ = false;
  bool fontScaled_ = false;
  std::vector<TcxContainerStyle*> listeners_;
  mutable std::unique_ptr<TcxContainerStyles> styles_;
};

// The process-wide style controller: nil until the editors' unit start creates it.
extern TcxStyleController* GlobalStyleController;
// The editors' unit start and end for the global controller: creates one controller without
// owner; the end sets GlobalStyleController to nil first and frees the controller after.
void InitializeGlobalStyleController();
void FinalizeGlobalStyleController();

// ---- inner control interface -----------------------------------------------------------------

class IcxContainerInnerControl {
 public:
  virtual ~IcxContainerInnerControl() = default;
  virtual TWinControl* InnerControlObject() = 0;
  virtual TcxContainer* OwningContainer() = 0;
};

// ---- container -------------------------------------------------------------------------------

class TcxContainer : public TcxControl, public IcxMouseTrackingCaller {
  KORVAN_CLASS(TcxContainer, TcxControl)

 public:
  explicit TcxContainer(TComponent* owner);
  ~TcxContainer() override;
  void BeforeDestruction() override;

  // The styles and the view info are made on first use through StylesClass, StyleClass and
  // CreateViewInfo, so that a descendant's choice counts (a constructor cannot reach it).
  TcxContainerStyles* ContainerStyles() const;
  TcxContainerStyle* Style() const { return ContainerStyles()->NormalStateStyle(); }
  TcxContainerStyle* StyleDisabled() const { return ContainerStyles()->DisabledStateStyle(); }
  TcxContainerStyle* StyleFocused() const { return ContainerStyles()->FocusedStateStyle(); }
  TcxContainerStyle* StyleHot() const { return ContainerStyles()->HotStateStyle(); }
  void SetStyle(TcxContainerStyle* v) { ContainerStyles()->AssignNormalStyle(v); }
  void SetStyleDisabled(TcxContainerStyle* v) { ContainerStyles()->AssignDisabledStyle(v); }
  void SetStyleFocused(TcxContainerStyle* v) { ContainerStyles()->AssignFocusedStyle(v); }
  void SetStyleHot(TcxContainerStyle* v) { ContainerStyles()->AssignHotStyle(v); }
  TcxStyleController* FakeStyleController() const { return Style()->StyleController(); }
  void SetFakeStyleController(TcxStyleController*) {}

  TcxContainerViewInfo* ViewInfo() const;
  TWinControl* InnerControl() const { return innerControl_; }
  void SetInnerControl(TWinControl* c) { innerControl_ = c; }
  bool InnerMouseDown() const { return innerMouseDown_; }
  void SetInnerMouseDown(bool v) { innerMouseDown_ = v; }

  bool RefreshStateAtCursor(bool isMouseEvent);
  bool InDestruction() const;
  TcxContainerStyle* StyleForCurrentState();
  void SuspendAlignment(bool lock);
  bool AlignmentSuspended() const { return alignLockCount_ > 0; }
  void PostScrollBarsUpdate();
  TWinControl* ActiveInnerControl() { return innerControl_ ? innerControl_ : this; }
  void SetFocus() override;

  // Virtual operations.
  virtual bool HasFocusInside() { return FocusIsInside(); }
  virtual void SyncInnerControl();
  virtual void ComputeViewInfo(const TPoint& p, bool hotAllowed);
  virtual bool TabMovesFocus() { return true; }
  virtual bool PaintsOwnBorder();
  virtual bool AllowsContextPopupAt(const TPoint&) { return true; }
  virtual void ApplyStyleToControl(TObject* style);
  virtual bool DefaultParentColor() { return false; }
  virtual void TrackedMouseLeave();
  virtual void FrameExtent(TRect& extent);
  virtual void ChildVisibleRegion(const TRect& area, TControl* child, TcxContainerInnerControlBounds& bounds);
  virtual void BorderArea(TRect& r);
  virtual TcxContainerStyle::TFactory StyleClass() { return &TcxContainerStyle::CreateInState; }
  virtual TcxContainerStyles::TFactory StylesClass() { return &TcxContainerStyles::CreateStyles; }
  // The view info's class (a class with a default constructor); CreateViewInfo makes it.
  virtual TClass ViewInfoClass() { return TcxContainerViewInfo::StaticClass(); }
  virtual TcxContainerViewInfo* CreateViewInfo();
  virtual bool ShowsShadow();
  virtual TcxContainerStyle* CurrentStyle();
  virtual TcxContainerStyleValues UnstoredStyleValues() { return {}; }
  virtual bool HostsChildControls() { return false; }
  virtual bool TracksParentChanges() { return false; }
  virtual bool RefreshState(const TPoint& p, Integer buttonCode, TShiftState shift, bool isMouseEvent);
  virtual void ApplyWindowRegion();
  virtual void AlignInnerControl();
  virtual void ClipToWindowRegion();
  virtual void SyncScrollBarWithInner(TcxControlScrollBar* bar);
  virtual TdxThemeClass ThemeClass() { return tcEdit; }
  virtual Integer ThemePartId() { return 1; }
  virtual Integer ThemeStateId();
  virtual bool UsesThemes();
  virtual void FocusInnerControl();
  virtual void ShowScrollBar(TcxControlScrollBar* bar, bool visible);
  virtual void ResetChildRegion() { innerRegion_ = TcxContainerInnerControlBounds(); }
  virtual void HotTrackArea(TRect& r);
  virtual bool IsPopupOpen() { return false; }
  virtual bool PreviewInnerMessage(TMessage& m);
  virtual bool PreviewInnerDefaultMessage(TMessage&) { return false; }
  virtual bool IsInplace() { return false; }
  virtual void UpdateScrollBarsFromInner(bool keepPlacement);
  virtual void ApplyDragKind(TDragKind v);
  bool FocusIsInside();
  void SetDragMode(TDragMode v) override;
  void SetParent(TWinControl* parent) override;
  void SetDragKind(TDragKind v) override { ApplyDragKind(v); }
  TDragImageList* DoGetDragImages() override;
  void ChangeScale(Integer m, Integer d) override;
  // A font taken from the style controller gets the scale the container was given at run
  // time (ScaleBy), also when the controller changes it later.
  void ScaleControllerFont(TFont* font) const;

  // IcxMouseTrackingCaller
  void MouseLeave() override { TrackedMouseLeave(); }

  // The painted bars mirror the inner control's own bars instead of computed data.
  void RefreshScrollBars() override { UpdateScrollBarsFromInner(false); }
  void PlaceScrollParts() override {}
  void PanScroll(TScrollBarKind kind, TScrollCode code, Integer& position) override;

  // Framework overrides.
  void WndProc(TMessage& m) override;
  void Invalidate() override;
  void Update() override;
  void CMColorChanged(TMessage& m) override;
  void CMFontChanged(TMessage& m) override;
  void CMParentColorChanged(TMessage& m) override;
  void CMParentFontChanged(TMessage& m) override;
  void CMSysColorChange(TMessage& m) override;
  void CMEnabledChanged(TMessage& m) override;
  void WMSetFocus(TMessage& m) override;
  void WMKillFocus(TMessage& m) override;
  void WMSetCursor(TMessage& m) override;
  void CMCursorChanged(TMessage& m) override;

  bool FocusesOnClick() override;
  void ContentBounds(TRect& r) override { r = ViewInfo()->ClientArea; }
  TcxLookAndFeel* LookAndFeelObject() override { return Style()->LookAndFeel(); }
  bool WantsScrollBars() override { return false; }
  bool AllowsDesignTimeDrag(Integer, Integer, TShiftState) override { return false; }
  bool MayFocus() override;
  void NotifyFocusChanged() override;
  void NotifyMouseEnter(TControl* control) override;
  void NotifyMouseLeave(TControl* control) override;

 protected:
  void Loaded() override;
  void CreateWnd() override;
  void AdjustClientRect(TRect& rect) override;
  void AlignControls(TControl* control, TRect& rect) override;
  void PaintBorderAndContent() override;
  void Resize() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void DoContextPopup(TPoint mousePos, bool& handled) override;
  void ComputeStateAndFrame(const TPoint& p, bool hotAllowed);
  void ComputeColors();
  void CreateParams(TCreateParams& params) override;
  bool ReadInnerScrollBarInfo(SCROLLBARINFO& info, TScrollBarKind kind);
  bool ScrollBarEnabledFromInfo(TcxControlScrollBar* bar, const SCROLLBARINFO& info);
  void ScrollBarRectToClient(const SCROLLBARINFO& info, TRect& r);
  void SyncScrollBarsEnabled();
  friend class TcxCustomInnerListBox;

  TcxContainerStateFlags cachedStateFlags_{csfNormal};
  TcxContainerStyle* cachedStyle_ = nullptr;
  TWinControl* innerControl_ = nullptr;
  TcxContainerInnerControlBounds innerRegion_;
  bool innerMouseDown_ = false;
  bool beingFreed_ = false;
  bool refreshLocked_ = false;
  Integer alignLockCount_ = 0;
  Integer popupMenuLockCount_ = 0;
  bool refreshing_ = false;
  bool scrollBarsSyncing_ = false;
  bool internalSetting_ = false;
  bool creating_ = false;
  Integer fontScaleM_ = 1, fontScaleD_ = 1;
  mutable std::unique_ptr<TcxContainerStyles> styles_;
  mutable std::unique_ptr<TcxContainerViewInfo> viewInfo_;

 private:
  // The construction steps that need the descendant's classes: styles, view info, the look
  // and feel's master and the initial parent colour.
  void MakeCompanions() const;
};

TcxContainer* ContainerOfControl(TControl* control);
bool ControlHasOpenPopup(TControl* control);
bool PaintedScrollBarsAvailable();

// ---- inner list box --------------------------------------------------------------------------

// The list box a list-type container hosts: forwards mouse, keys and focus activity to its
// container and searches items by typed prefix.
class TcxCustomInnerListBox : public TListBox, public IcxContainerInnerControl {
  KORVAN_CLASS(TcxCustomInnerListBox, TListBox)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomInnerListBox(TComponent* owner);
  TWinControl* InnerControlObject() override { return this; }
  TcxContainer* OwningContainer() override { return container_; }
  void SetContainer(TcxContainer* c) { container_ = c; }
  // The typed prefix of the running search ("" when none).
  const String& SearchText() const { return searchText_; }
  // Type-ahead search by typed prefix; a pause of AutoCompleteDelay ms starts a new prefix.
  bool AutoComplete() const { return autoComplete_; }
  void SetAutoComplete(bool v) { autoComplete_ = v; }
  Cardinal AutoCompleteDelay() const { return autoCompleteDelay_; }
  void SetAutoCompleteDelay(Cardinal v) { autoCompleteDelay_ = v; }
  void WndProc(TMessage& m) override;
  void DragDrop(TObject* source, Integer x, Integer y) override;

 protected:
  virtual void TypeAheadSearch(char32_t& key);
  // True when no OnDrawItem handler draws the items (and their focus).
  virtual bool DrawsFocusRect() { return !OnDrawItem; }
  void DrawListItem(Integer index, const TRect& rect, TOwnerDrawState state) override;
  void Click() override;
  void DblClick() override;
  void DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) override;
  bool DoMouseWheel(TShiftState shift, Integer delta, TPoint mousePos) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void WMGetDlgCode(TMessage& m) override;
  // The list's system bars changed: the container mirrors them in its painted bars.
  void SystemBarChanged() override;
  void MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) override;
  void MouseMove(TShiftState s, Integer x, Integer y) override;
  void MouseUp(TMouseButton b, TShiftState s, Integer x, Integer y) override;
  void DoEnter() override;
  void DoExit() override;
  void Search(bool restart);

  TcxContainer* container_ = nullptr;
  String searchText_;
  DWORD lastKeyTime_ = 0;
  bool autoComplete_ = true;
  Cardinal autoCompleteDelay_ = 500;
};

// ---- custom popup window ---------------------------------------------------------------------

class TcxCustomPopupWindow : public TcxPopupWindow {
  KORVAN_CLASS(TcxCustomPopupWindow, TcxPopupWindow)

 public:
  explicit TcxCustomPopupWindow(TWinControl* ownerControl);
  ~TcxCustomPopupWindow() override;

  virtual bool ShrinksToWorkArea() { return false; }
  virtual void FireClosed() { if (OnClosed) OnClosed(this); }
  virtual void FireClosing() { if (OnClosing) OnClosing(this); }
  virtual void FireShowed() { if (OnShowed) OnShowed(this); }
  virtual void FireShowing() { if (OnShowing) OnShowing(this); }
  virtual bool ErasesBackground() { return false; }
  virtual bool AcceptsSysKey(Word key);
  virtual void FinishModal() { ClosePopup(); }
  virtual bool OwnerHandlesClick(UINT, TShiftState, Integer, Integer) { return false; }
  virtual void StyleChanged() {}
  virtual TcxContainerStyle::TFactory StyleClass() { return &TcxContainerStyle::CreateInState; }
  // The view info's class (a class with a default constructor).
  virtual TClass ViewInfoClass() { return TcxContainerViewInfo::StaticClass(); }
  virtual void FitToWorkArea(TPoint& p);
  virtual void ShowPopup(TWinControl* focusControl);
  void ClosePopup();
  void CloseUp() override { ClosePopup(); }
  TRect GetAnchorScreenBounds() override;
  void InitFont() override {}
  void SizeToContent() override;
  void VisibilityChanged() override;

  bool TakesFocus() const { return takesFocus_; }
  void SetTakesFocus(bool v);
  bool TopmostWithOwner() const { return topmostWithOwner_; }
  void SetTopmostWithOwner(bool v);
  bool RunsModalLoop() const { return runsModalLoop_; }
  void SetRunsModalLoop(bool v) { runsModalLoop_ = v; }
  bool ClosedByOwnerClick() const { return closedByOwnerClick_; }
  void SetClosedByOwnerClick(bool v) { closedByOwnerClick_ = v; }
  bool ClosingByHook() const { return closingByHook_; }
  void SetClosingByHook(bool v) { closingByHook_ = v; }
  TWinControl* OwnerControl() const { return ownerControl_; }
  TWinControl* FocusTarget() const { return focusTarget_; }
  // The control a deferred show (DXM_SHOWPOPUPWINDOW) focuses.
  void SetFocusTarget(TWinControl* c) { focusTarget_ = c; }
  // Made on first use through StyleClass and CreateViewInfo.
  TcxContainerStyle* Style() const;
  TcxContainerViewInfo* ViewInfo() const;
  bool HoldsCapture();
  bool HasFocusInPopup();
  bool OwnerIsShowing();

  TNotifyEvent OnClosed, OnClosing, OnShowed, OnShowing;

  void WndProc(TMessage& m) override;
  void CMShowingChanged(TMessage& m) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void AdjustClientRect(TRect& rect) override;
  void Paint() override;
  void Deactivate() override;
  void KeyDown(Word& key, TShiftState shift) override;
  // The layout of the frame and the client area (descendants compute their own).
  virtual void ComputeViewInfo();

 private:
  void RecreateIfHandled();
  void Reshow();

  bool takesFocus_ = true;
  TWinControl* focusTarget_ = nullptr;
  bool closingByHook_ = false;
  bool topmostWithOwner_ = false;
  bool closedByOwnerClick_ = false;
  bool runsModalLoop_ = true;
  TWinControl* ownerControl_ = nullptr;
  mutable std::unique_ptr<TcxContainerStyle> style_;
  mutable std::unique_ptr<TcxContainerViewInfo> viewInfo_;
  bool childrenShifted_ = false;  // children moved inside the frame by SizeToContent
};

bool IsVisiblePopup(TControl* control);
void PostPopupCloseRequest(TWinControl* control);
// Shown popups in showing order (the last is the top popup).
const std::vector<TcxCustomPopupWindow*>& ShownPopups();
bool IsWindowOfControl(TWinControl* control, HWND wnd, bool deep);
bool IsWindowInsideControl(TWinControl* control, HWND wnd);
HWND PopupOwnerWindowOf(HWND wnd);
// The library's window-resolution hook: the window that counts as the owner of a window (a
// popup counts as part of its owner control). Set by the container unit's start to
// PopupOwnerWindowOf, nil after its end; later subsystems (docking) consult it.
using TcxWindowOwnerResolver = HWND (*)(HWND);
extern TcxWindowOwnerResolver WindowOwnerResolver;
// Whether the control is the framework control under the cursor in an active form (or in a
// window that is no form, an MDI frame, or the form that holds the owner of the first shown
// popup), while the application is active. The editors allow hot tracking by it.
bool ControlUnderCursorInActiveForm(TWinControl* control);

// The unit start: the popup list, the three thread hooks, the shared screen canvas.
void InitializeCxContainer();
