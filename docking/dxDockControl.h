// Dock controls: the dock tree (every dock control has at most one parent dock control and an
// ordered list of children, each child with the dock type that places it inside its parent),
// the docking operations that change it, the layout and form-level dock sites, the docking
// controller behind every dock control and the docking manager of a form.
#pragma once

#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

#include "rtl/Classes.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"

enum TdxDockingType { dtNone, dtClient, dtLeft, dtTop, dtRight, dtBottom };
using TdxDockingTypeEx = TdxDockingType;
using TdxDockingTypes = TSet<TdxDockingType>;
enum TdxDockingState { dsDestroyed, dsUndocked, dsHidden, dsDocked, dsFloating };
enum TdxAutoHidePosition { ahpLeft, ahpTop, ahpRight, ahpBottom, ahpUndefined };
enum TdxCaptionButton { cbMaximize, cbHide, cbClose };
using TdxCaptionButtons = TSet<TdxCaptionButton>;
enum TdxDockingOption {
  doActivateAfterDocking,
  doDblClickDocking,
  doFloatingOnTop,
  doFreeOnClose,
  doUndockOnClose,
  doTabContainerHasCaption,
  doTabContainerCanClose,
  doTabContainerCanAutoHide,
  doSideContainerHasCaption,
  doSideContainerCanClose,
  doSideContainerCanAutoHide,
  doTabContainerCanInSideContainer,
  doSideContainerCanInTabContainer,
  doSideContainerCanInSideContainer,
  doImmediatelyHideOnAutoHide,
  doHideAutoHideIfActive,
  doRedrawOnResize,
  doUseCaptionAreaToClientDocking
};
using TdxDockingOptions = TSet<TdxDockingOption>;
enum TdxDockingViewStyle { vsStandard, vsNET, vsOffice11, vsXP, vsUseLookAndFeel };

const TdxDockingTypes dxDockingTypesAll = {dtClient, dtLeft, dtTop, dtRight, dtBottom};
const TdxDockingOptions dxDockingDefaultOptions = {
    doActivateAfterDocking,        doDblClickDocking,         doFloatingOnTop,
    doTabContainerHasCaption,      doTabContainerCanAutoHide, doSideContainerCanClose,
    doSideContainerCanAutoHide,    doTabContainerCanInSideContainer};

// Type information of the published sets.
struct TTypeInfo;
const TTypeInfo* dxDockingTypesTypeInfo();
const TTypeInfo* dxCaptionButtonsTypeInfo();

// The alignment a dock type gives its control (dtNone leaves the alignment alone).
TAlign dxDockingTypeAlign(TdxDockingType type);

class TdxCustomDockControl;
class TdxCustomDockSite;
class TdxLayoutDockSite;
class TdxDockSite;
class TdxDockingManager;
class TdxDockingController;
class TdxDockControlPainter;
class TcxLookAndFeel;
using TdxDockControlPainterClass = TClass;

// The memory of a control's last dock place.
struct TdxDockPosition {
  Integer DockIndex = -1;
  TdxDockingType DockType = dtNone;
  Integer OriginalHeight = 0;
  Integer OriginalWidth = 0;
  TdxCustomDockControl* Parent = nullptr;
  TdxCustomDockControl* SiblingAfter = nullptr;
  TdxCustomDockControl* SiblingBefore = nullptr;
};

using TdxDockControlNotifyEvent = std::function<void(TdxCustomDockControl* Sender)>;
using TdxDockControlCloseQueryEvent = std::function<void(TdxCustomDockControl* Sender, bool& CanClose)>;
using TdxActivateEvent = std::function<void(TdxCustomDockControl* Sender, bool Active)>;
using TdxDockEvent = std::function<void(TdxCustomDockControl* Sender, TdxCustomDockControl* Site,
                                        TdxDockingType ADockType, Integer AIndex)>;
using TdxUnDockEvent = std::function<void(TdxCustomDockControl* Sender, TdxCustomDockControl* Site)>;
using TdxCreateLayoutSiteEvent = std::function<void(TdxCustomDockControl* Sender, TdxCustomDockControl* ASite)>;
using TdxDockPositionEvent = std::function<void(TdxCustomDockControl* Sender, TdxDockPosition& APosition)>;
using TdxStartDockingEvent = std::function<void(TdxCustomDockControl* Sender, Integer X, Integer Y)>;
using TdxEndDockingEvent =
    std::function<void(TdxCustomDockControl* Sender, TdxCustomDockControl* Target, Integer X, Integer Y)>;
using TdxMakeFloatingEvent = std::function<void(TdxCustomDockControl* Sender, Integer X, Integer Y)>;

// The painter of dock control frames (the standard view); the other views descend from it
// and override its class operations and metrics.
class TdxDockControlPainter : public TObject {
  KORVAN_CLASS(TdxDockControlPainter, TObject)

 public:
  TdxDockControlPainter() = default;
  explicit TdxDockControlPainter(TdxCustomDockControl* owner) : owner_(owner) {}
  TdxCustomDockControl* DockControl() const { return owner_; }

  // Class operations: the view's defaults for a manager switching to it.
  virtual void InitManagerColor(TdxDockingManager* manager);
  virtual void InitManagerFont(TdxDockingManager* manager);

  virtual TColor GetColor();
  virtual TFont* GetFont();
  virtual bool CanVerticalCaption() { return true; }
  virtual Integer GetBorderWidth() { return 2; }
  virtual Integer GetCaptionButtonSize() { return 12; }
  virtual Integer GetCaptionHeight() { return 16; }
  virtual Integer GetCaptionSpacing() { return 2; }
  virtual Integer GetSpareMetric() { return 2; }
  virtual Integer GetTabVertOffset() { return 2; }
  virtual Integer GetTabHorizOffset() { return 4; }
  virtual Integer GetTabsScrollButtonSize() { return 16; }
  virtual Integer GetTabsHeight();
  virtual Integer GetHideBarHeight();
  virtual Integer GetHideBarWidth();
  virtual Integer GetHideBarVertInterval() { return 2; }
  virtual Integer GetHideBarHorizInterval() { return 4; }
  // The manager's image list extent (no image list here yet: 0; the defaults 16).
  Integer GetImageHeight() { return 0; }
  Integer GetImageWidth() { return 0; }
  Integer GetDefaultImageHeight() { return 16; }
  Integer GetDefaultImageWidth() { return 16; }

 protected:
  Integer FontSize();

 private:
  TdxCustomDockControl* owner_ = nullptr;
};

// Creates a painter of `cls` (a TdxDockControlPainter class) for `owner`.
std::unique_ptr<TdxDockControlPainter> CreateDockControlPainter(TdxDockControlPainterClass cls,
                                                                TdxCustomDockControl* owner);

// ---- the dock control ----------------------------------------------------------------------

class TdxCustomDockControl : public TCustomControl {
  KORVAN_CLASS(TdxCustomDockControl, TCustomControl)

 public:
  // Raises "The Owner of the TdxCustomDockControl must be TCustomForm." unless `owner` is a
  // form; the half-built control then leaves nothing registered.
  explicit TdxCustomDockControl(TComponent* owner);
  ~TdxCustomDockControl() override;
  void BeforeDestruction() override;

  // Docking operations.
  void DockTo(TdxCustomDockControl* site, TdxDockingType type, Integer index);
  void UnDock();
  void MakeFloating(Integer x, Integer y);
  void MakeFloatingAtCurrentPos();
  void DoClose();
  void Activate();
  void StoreDockPosition(TPoint p);
  void RestoreDockPosition(TPoint p);
  const TdxDockPosition& DockPosition() const { return dockPosition_; }

  // The tree.
  TdxCustomDockControl* ParentDockControl() const { return parentDockControl_; }
  Integer ChildCount() const { return Integer(children_.size()); }
  TdxCustomDockControl* Children(Integer index) const { return children_[size_t(index)]; }
  Integer DockIndex() const;
  Integer ValidChildCount() const;
  TdxCustomDockControl* ValidChildren(Integer index) const;
  Integer Depth() const;
  bool IsAncestorOrSelf(const TdxCustomDockControl* c) const;
  TdxDockingState DockingState() const;
  TdxDockingType DockType() const { return dockType_; }
  TCustomForm* ParentForm() const;
  TdxCustomDockControl* TopMostDockControl();
  TdxLayoutDockSite* LayoutDockSite() const;
  TdxDockSite* AutoHideHostSite();
  TdxCustomDockControl* AutoHideControl();
  TdxDockSite* AutoSizeHostSite() const;
  virtual bool IsValidChild(const TdxCustomDockControl* c) const;

  // Rules.
  virtual bool CanDock() { return false; }
  virtual bool CanDockHost(TdxCustomDockControl* control, TdxDockingType type);
  virtual bool CanActive() { return false; }
  virtual bool CanAutoHide() { return false; }
  virtual bool CanDestroy() { return true; }
  // Whether DoActivate may move the focus here; whether the focus can go to this control.
  virtual bool CanActivate() { return false; }
  virtual bool CanFocusEx();

  // Properties.
  TdxDockingTypes AllowDock() const { return allowDock_; }
  void SetAllowDock(TdxDockingTypes v);
  TdxDockingTypes AllowDockClients() const { return allowDockClients_; }
  void SetAllowDockClients(TdxDockingTypes v);
  bool AllowFloating() const { return allowFloating_; }
  void SetAllowFloating(bool v);
  bool AutoHide() const { return autoHide_; }
  void SetAutoHide(bool v);
  TdxCaptionButtons CaptionButtons() const { return captionButtons_; }
  void SetCaptionButtons(TdxCaptionButtons v);
  bool Dockable() const { return dockable_; }
  void SetDockable(bool v) { dockable_ = v; }
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer v);
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool v);
  bool ManagerColor() const { return managerColor_; }
  void SetManagerColor(bool v);
  bool ManagerFont() const { return managerFont_; }
  bool IsColorStored() const { return !managerColor_ && !ParentColor(); }
  bool IsFontStored() const { return !managerFont_ && !ParentFont(); }
  void SetManagerFont(bool v);
  Integer OriginalWidth() const { return originalWidth_; }
  void SetOriginalWidth(Integer v) { originalWidth_ = v; }
  Integer OriginalHeight() const { return originalHeight_; }
  void SetOriginalHeight(Integer v) { originalHeight_ = v; }
  bool UseDoubleBufferedNC() const { return useDoubleBufferedNC_; }

  // Values of the form's docking manager, read through the controller.
  TdxDockingController* Controller() const;
  TdxDockingOptions Options() const;
  Integer DockZonesWidth() const;
  Integer ResizeZonesWidth() const;
  TColor ManagerColorValue() const;
  TFont* ManagerFontValue() const;
  TdxDockControlPainter* Painter();
  // Frees the painter object; the next use creates one of the form's painter class.
  void ReleasePainter();

  // Brackets.
  void BeginUpdateNC();
  void EndUpdateNC();
  void BeginUpdateLayout() { ++layoutLock_; }
  void EndUpdateLayout();
  bool IsUpdateLayoutLocked() const { return layoutLock_ > 0; }
  void BeginVisibilityUpdate() { ++visibilityLock_; }
  void EndVisibilityUpdate() { --visibilityLock_; }
  void LayoutChanged();
  virtual void UpdateLayout();
  void UpdateOriginalSize();

  // Frame (non-client area).
  void RecalculateNC(bool force = false);
  void NCChanged() { RecalculateNC(false); }
  void InvalidateNC(bool recalculate);
  void RepaintNC();
  virtual bool HasBorder() { return false; }
  virtual bool HasCaption() { return false; }
  bool HasCaptionCloseButton();
  bool HasCaptionHideButton();
  bool HasCaptionMaximizeButton();
  virtual bool CanMaximize() { return false; }
  bool IsCaptionVertical();
  virtual Integer GetMinimumHeight();
  virtual Integer GetMinimumWidth();
  virtual void CalculateNC(TRect& r);
  // Rectangles of the frame, in the window's own coordinates.
  const TRect& WindowRect() const { return windowRect_; }
  const TRect& CaptionRect() const { return captionRect_; }
  const TRect& CaptionTextRect() const { return captionTextRect_; }
  const TRect& CaptionSeparatorRect() const { return captionSeparatorRect_; }
  const TRect& CaptionCloseButtonRect() const { return closeRect_; }
  const TRect& CaptionHideButtonRect() const { return hideRect_; }
  const TRect& CaptionMaximizeButtonRect() const { return maximizeRect_; }
  const TRect& CachedClientRect() const { return cachedClientRect_; }

  bool IsDestroying() const;
  bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
  void SetBounds(Integer left, Integer top, Integer width, Integer height) override;
  void SetParent(TWinControl* parent) override;
  void ReadState(TComponent* readParent) override;
  void Loaded() override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

  // Events.
  TdxActivateEvent OnActivate;
  TdxDockControlNotifyEvent OnClose;
  TdxDockControlCloseQueryEvent OnCloseQuery;
  TdxCreateLayoutSiteEvent OnCreateLayoutSite;
  TdxDockEvent OnDock;
  TdxUnDockEvent OnUnDock;
  TdxDockControlNotifyEvent OnLayoutChanged;
  TdxDockPositionEvent OnStoreDockPosition;
  TdxDockPositionEvent OnRestoreDockPosition;
  TdxStartDockingEvent OnStartDocking;
  TdxEndDockingEvent OnEndDocking;
  TdxMakeFloatingEvent OnMakeFloating;
  TdxDockControlNotifyEvent OnAutoHideChanged;
  TdxDockControlNotifyEvent OnAutoHideChanging;
  TNotifyEvent OnParentChanged;
  TNotifyEvent OnParentChanging;
  TNotifyEvent OnVisibleChanged;
  TNotifyEvent OnVisibleChanging;

 protected:
  friend class TdxDockingController;
  friend class TdxCustomDockSite;
  friend class TdxLayoutDockSite;
  friend class TdxDockSite;

  virtual void IncludeToDock(TdxCustomDockControl* site, TdxDockingType type, Integer index);
  virtual void ExcludeFromDock();
  virtual void CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index);
  virtual void DestroyLayout(TdxCustomDockControl* control);
  virtual void DetachFromLayout();
  virtual void SetDockType(TdxDockingType type);
  virtual void AdjustControlBounds(TdxCustomDockControl* control);
  virtual void UpdateControlOriginalSize(TdxCustomDockControl* control);
  virtual void ChildVisibilityChanged(TdxCustomDockControl* child) {}
  virtual void DoActiveChanged(bool active, bool callEvent);
  virtual void DoActivate();
  void DoEnter() override;
  virtual void DoDestroy();
  virtual bool NeedsRecalcOnChildRemoval() { return ChildCount() != 1; }
  virtual void CheckDockRules();
  virtual void CheckDockClientsRules();
  void UpdateRelatedVisibility();
  void UpdateParentVisibility();
  void UpdateLayoutDockSiteVisibility();
  void UpdateAutoHideHostSite();
  // Names a site created by a docking operation after its class, unique among the owner's
  // components, so that saved layouts can find it again.
  static void NameCreatedSite(TComponent* site);

  void WndProc(TMessage& message) override;
  void CMVisibleChanged(TMessage& m) override;
  void CMFontChanged(TMessage& m) override;
  void CMColorChanged(TMessage& m) override;
  void CMTextChanged(TMessage& m) override;
  void WMNCHitTest(TMessage& m) override;
  void VisibleChanging() override;
  void AlignControls(TControl* control, TRect& rect) override;
  void Notification(TComponent* c, TOperation operation) override;
  void DefineProperties(TFiler* filer) override;

  bool useDoubleBufferedNC_ = false;

 private:
  void WMNCCalcSize(TMessage& m);

  bool creationFailed_ = false;
  bool destroying_ = false;
  bool allowFloating_ = true, autoHide_ = false, dockable_ = true, showCaption_ = true;
  bool managerColor_ = true, managerFont_ = true;
  bool settingManagerValue_ = false;
  bool forceRecalc_ = false;
  TdxDockingTypes allowDock_ = dxDockingTypesAll, allowDockClients_ = dxDockingTypesAll;
  TdxAutoHidePosition autoHidePosition_ = ahpUndefined;
  TdxCaptionButtons captionButtons_ = {cbMaximize, cbHide, cbClose};
  Integer imageIndex_ = -1;
  std::vector<TdxCustomDockControl*> children_;
  TdxCustomDockControl* parentDockControl_ = nullptr;
  TdxDockingType dockType_ = dtNone;
  Integer originalWidth_ = 0, originalHeight_ = 0;
  std::unique_ptr<TdxDockControlPainter> painter_;
  Integer layoutLock_ = 0, visibilityLock_ = 0;
  TdxDockPosition dockPosition_;
  TRect windowRect_, captionRect_, captionTextRect_, captionSeparatorRect_;
  TRect closeRect_, hideRect_, maximizeRect_, cachedClientRect_;
};

// ---- sites ---------------------------------------------------------------------------------

class TdxCustomDockSite : public TdxCustomDockControl {
  KORVAN_CLASS(TdxCustomDockSite, TdxCustomDockControl)

 public:
  explicit TdxCustomDockSite(TComponent* owner) : TdxCustomDockControl(owner) {}

 protected:
  void ValidateInsert(TComponent* c) override;
};

// The site that stands for the rest of its parent's client area.
class TdxLayoutDockSite : public TdxCustomDockSite {
  KORVAN_CLASS(TdxLayoutDockSite, TdxCustomDockSite)

 public:
  explicit TdxLayoutDockSite(TComponent* owner);
  void BeforeDestruction() override;
  TdxCustomDockControl* SiblingDockControl() const;
  bool CanDockHost(TdxCustomDockControl* control, TdxDockingType type) override;
  bool CanDestroy() override;
  void SetParent(TWinControl* parent) override;

 protected:
  void CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) override;
  void DestroyLayout(TdxCustomDockControl* control) override;
};

// The dock site a form places directly: the root of a dock tree.
class TdxDockSite : public TdxCustomDockSite {
  KORVAN_CLASS(TdxDockSite, TdxCustomDockSite)

 public:
  explicit TdxDockSite(TComponent* owner);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v) override;
  Integer AutoSizeWidth() const { return autoSizeWidth_; }
  Integer AutoSizeHeight() const { return autoSizeHeight_; }
  bool CanDockHost(TdxCustomDockControl* control, TdxDockingType type) override;
  TdxCustomDockControl* GetAutoSizeClientControl();
  virtual void AdjustAutoSizeBounds();
  virtual bool CanAutoSize();
  void SetAutoSizeSize(Integer w, Integer h);
  void SetParent(TWinControl* parent) override;

 protected:
  void CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) override;
  void DestroyLayout(TdxCustomDockControl* control) override;
  void ChildVisibilityChanged(TdxCustomDockControl* child) override;
  void UpdateControlOriginalSize(TdxCustomDockControl* control) override;

 private:
  bool autoSize_ = false;
  Integer autoSizeWidth_ = 0, autoSizeHeight_ = 0;
};

// ---- the docking manager -------------------------------------------------------------------

class TdxDockingManager : public TComponent {
  KORVAN_CLASS(TdxDockingManager, TComponent)

 public:
  // Raises "You cannot have more than one TdxDockingManager instance on a Form." when the
  // owner form already has one; nothing stays registered then.
  explicit TdxDockingManager(TComponent* owner);
  ~TdxDockingManager() override;
  void Loaded() override;

  TCustomForm* ParentForm() const;
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* v) { font_->Assign(v); }
  TdxDockingOptions Options() const { return options_; }
  void SetOptions(TdxDockingOptions v);
  Integer DockZonesWidth() const { return dockZonesWidth_; }
  void SetDockZonesWidth(Integer v);
  Integer ResizeZonesWidth() const { return resizeZonesWidth_; }
  void SetResizeZonesWidth(Integer v);
  Integer AutoHideInterval() const { return autoHideInterval_; }
  void SetAutoHideInterval(Integer v) { autoHideInterval_ = v; }
  Integer AutoHideMovingInterval() const { return autoHideMovingInterval_; }
  void SetAutoHideMovingInterval(Integer v) { autoHideMovingInterval_ = v; }
  Integer AutoHideMovingSize() const { return autoHideMovingSize_; }
  void SetAutoHideMovingSize(Integer v) { autoHideMovingSize_ = v; }
  Integer AutoShowInterval() const { return autoShowInterval_; }
  void SetAutoShowInterval(Integer v) { autoShowInterval_ = v; }
  Integer SelectionFrameWidth() const { return selectionFrameWidth_; }
  void SetSelectionFrameWidth(Integer v) { selectionFrameWidth_ = v; }
  Integer TabsScrollInterval() const { return tabsScrollInterval_; }
  void SetTabsScrollInterval(Integer v) { tabsScrollInterval_ = v; }
  bool UseDefaultSitesProperties() const { return useDefaultSitesProperties_; }
  void SetUseDefaultSitesProperties(bool v) { useDefaultSitesProperties_ = v; }
  // Chooses the view while ViewStyle is vsUseLookAndFeel.
  TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  TdxDockingViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TdxDockingViewStyle v);
  // Default properties of created layout sites: which dock types they accept from clients.
  TdxDockingTypes DefaultLayoutSiteAllowDockClients() const { return layoutSiteAllowDockClients_; }
  void SetDefaultLayoutSiteAllowDockClients(TdxDockingTypes v) { layoutSiteAllowDockClients_ = v; }

  virtual TdxDockControlPainterClass GetPainterClass();
  void ReleasePainterClass() { painterClass_ = nullptr; }

  TNotifyEvent OnActiveDockControlChanged;
  TdxCreateLayoutSiteEvent OnCreateLayoutSite;
  TdxDockControlNotifyEvent OnLayoutChanged;
  TNotifyEvent OnViewChanged;

 private:
  void FontChanged();
  bool registered_ = false;
  TColor color_ = clBtnFace;
  std::unique_ptr<TFont> font_;
  TdxDockingOptions options_ = dxDockingDefaultOptions;
  Integer dockZonesWidth_ = 20, resizeZonesWidth_ = 3;
  Integer autoHideInterval_ = 500, autoHideMovingInterval_ = 1, autoHideMovingSize_ = 20;
  Integer autoShowInterval_ = 300, selectionFrameWidth_ = 4, tabsScrollInterval_ = 300;
  bool useDefaultSitesProperties_ = true;
  TdxDockingViewStyle viewStyle_ = vsStandard;
  TdxDockingTypes layoutSiteAllowDockClients_ = dxDockingTypesAll;
  TdxDockControlPainterClass painterClass_ = nullptr;
  std::unique_ptr<TcxLookAndFeel> lookAndFeel_;
};

// ---- the docking controller ----------------------------------------------------------------

class TdxDockingController : public TObject {
  KORVAN_CLASS(TdxDockingController, TObject)

 public:
  TdxDockingController();
  ~TdxDockingController() override;

  void RegisterDockControl(TdxCustomDockControl* c);
  void UnregisterDockControl(TdxCustomDockControl* c);
  void RegisterManager(TdxDockingManager* m);
  void UnregisterManager(TdxDockingManager* m);
  Integer DockControlIndex(const TdxCustomDockControl* c) const;
  Integer DockControlCount() const { return Integer(dockControls_.size()); }
  TdxCustomDockControl* DockControls(Integer i) const { return dockControls_[size_t(i)]; }
  Integer ManagerCount() const { return Integer(managers_.size()); }
  TdxDockingManager* Managers(Integer i) const { return managers_[size_t(i)]; }
  TdxDockingManager* FindManager(TCustomForm* form) const;
  TdxCustomDockControl* DockControlFromHandle(HWND wnd, HWND requiredWnd = nullptr) const;
  bool IsFocusInside(TdxCustomDockControl* c) const;
  // The dock control under a screen point; the AutoSize dock site along a form edge whose
  // band (DockZonesWidth from the aligned edge) holds the point, so that an empty one still
  // catches drops.
  TdxCustomDockControl* DockControlAtPos(TPoint p) const;
  TdxDockSite* DockSiteAtPos(TPoint p) const;

  // Per-form values, with the fallbacks of a form without a manager.
  TColor Color(TCustomForm* form) const;
  TFont* Font(TCustomForm* form) const;
  TdxDockingOptions Options(TCustomForm* form) const;
  Integer DockZonesWidth(TCustomForm* form) const;
  Integer ResizeZonesWidth(TCustomForm* form) const;
  Integer AutoHideInterval(TCustomForm* form) const;
  Integer AutoShowInterval(TCustomForm* form) const;
  Integer SelectionFrameWidth(TCustomForm* form) const;
  TdxDockControlPainterClass PainterClass(TCustomForm* form) const;
  // The manager's default layout site allowance when it applies default site properties.
  const TdxDockingManager* DefaultSitesPropertiesManager(TCustomForm* form) const;

  TdxCustomDockControl* ActiveDockControl() const { return activeDockControl_; }
  void SetActiveDockControl(TdxCustomDockControl* c);
  TdxCustomDockControl* ActivatingControl() const { return activatingControl_; }
  void SetActivatingControl(TdxCustomDockControl* c) { activatingControl_ = c; }

  // The update bracket: frame recalculations and repaints requested inside it run once per
  // control at the outermost end, parents first.
  void BeginUpdateNC();
  void EndUpdateNC();
  bool IsUpdateNCLocked() const { return updateCount_ > 0; }
  bool CanPaintNC(TdxCustomDockControl* c);
  bool CanRecalculateNC(TdxCustomDockControl* c);
  // Frees the control once the current message is handled (a posted message).
  void DestroyLater(TdxCustomDockControl* c);
  void ProcessDestroyList();
  // The halftone brush of drag previews.
  HBRUSH SelectionBrush() const { return selectionBrush_; }

  // Manager changes (a nil form: every form).
  void ApplyManagerChanges(TCustomForm* form);
  void UpdateColors(TCustomForm* form);
  void UpdateFonts(TCustomForm* form);
  void UpdateOptions(TCustomForm* form);
  void UpdatePainters(TCustomForm* form, bool resetDefaults);
  void UpdateLayoutForForm(TCustomForm* form);
  void RecalculateFrames(TCustomForm* form);
  void InvalidateFrames(TCustomForm* form, bool recalculate);
  void FormLoaded(TCustomForm* form);
  void FormShown(TCustomForm* form);
  // A manager that finished loading takes its form off the loaded-forms list.
  void ForgetLoadedForm(TCustomForm* form);
  bool IsApplyingManagerChanges() const { return applying_; }

 private:
  bool Matches(TdxCustomDockControl* c, TCustomForm* form) const;
  void RunDeferredWork();
  static LRESULT HookProc(int code, WPARAM wParam, LPARAM lParam);

  std::vector<TdxCustomDockControl*> dockControls_;
  std::vector<TdxDockingManager*> managers_;
  std::vector<TdxCustomDockControl*> destroyList_;
  std::vector<TCustomForm*> loadedForms_;
  // Deferred frame work: one membership set per list, so queuing stays constant time.
  std::vector<TdxCustomDockControl*> invalidateList_, recalculateList_;
  std::unordered_set<TdxCustomDockControl*> invalidateSet_, recalculateSet_, redrawOffSet_;
  std::unique_ptr<TFont> defaultFont_;
  HWND window_ = nullptr;
  HHOOK hook_ = nullptr;
  HBITMAP patternBitmap_ = nullptr;
  HBRUSH selectionBrush_ = nullptr;
  TdxCustomDockControl* activeDockControl_ = nullptr;
  TdxCustomDockControl* activatingControl_ = nullptr;
  TdxCustomDockControl* recalculatingControl_ = nullptr;
  Integer activationCount_ = 0;
  Integer updateCount_ = 0;
  bool applying_ = false;
};

// The process-wide controller, created on first use.
TdxDockingController* DockingController();
// Destroys the controller (the unit's finalisation; tests call it between sessions).
void FinalizeDockingController();
// Whether the control or one of its window parents is a dock control.
bool IsInsideDockControl(TControl* c);
// Whether the control is windowed and it or a control below it is a TdxDockSite.
bool ContainsDockSite(TControl* c);

// Private messages of the docking controller and float forms.
constexpr UINT DXM_DOCK_DESTROYCONTROLS = 0x8065;
