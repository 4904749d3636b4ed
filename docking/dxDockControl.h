// Dock controls: the dock tree (every dock control has at most one parent dock control and an
// ordered list of children, each child with the dock type that places it inside its parent),
// the docking operations that change it, the layout and form-level dock sites, the docking
// controller behind every dock control and the docking manager of a form.
#pragma once

#include <functional>
#include <memory>
#include <unordered_map>
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
class TdxContainerDockSite;
class TdxTabContainerDockSite;
class TdxSideContainerDockSite;
class TdxDockSite;
class TdxFloatDockSite;
class TdxFloatForm;
class TdxZone;
class TCustomIniFile;
class TCustomImageList;
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
using TdxEndDockingEvent = std::function<void(TdxCustomDockControl* Sender, TdxZone* Zone, Integer X, Integer Y)>;
using TdxDockingEvent =
    std::function<void(TdxCustomDockControl* Sender, TdxZone* Zone, Integer X, Integer Y, bool& Accept)>;
using TdxCanDockingEvent = std::function<void(TdxCustomDockControl* Sender, TdxCustomDockControl* Source,
                                              TdxZone* Zone, Integer X, Integer Y, bool& Accept)>;
using TdxResizingEvent = std::function<void(TdxCustomDockControl* Sender, TdxZone* Zone, Integer X, Integer Y)>;
using TdxCustomDrawSelectionEvent = std::function<void(TdxCustomDockControl* Sender, HDC DC, TdxZone* Zone,
                                                       TRect ARect, bool Erasing, bool& Handled)>;
using TdxZoneList = std::vector<std::unique_ptr<TdxZone>>;
using TdxUpdateZonesEvent = std::function<void(TdxCustomDockControl* Sender, TdxZoneList& AZones)>;
using TdxSetFloatFormCaptionEvent = std::function<void(TdxCustomDockControl* Sender, TdxFloatForm* AFloatForm)>;
using TdxMakeFloatingEvent = std::function<void(TdxCustomDockControl* Sender, Integer X, Integer Y)>;
using TdxGetAutoHidePositionEvent =
    std::function<void(TdxCustomDockControl* Sender, TdxAutoHidePosition& APosition)>;
using TdxAutoHideControlEvent = std::function<void(TdxDockSite* Sender, TdxCustomDockControl* AControl)>;
using TdxActiveChildChangeEvent = std::function<void(TdxContainerDockSite* Sender, TdxCustomDockControl* Child)>;
enum TdxTabContainerTabsPosition { tctpTop, tctpBottom };

// The painter of dock control frames (the standard view): colours, metrics and the drawing
// of borders, captions, caption buttons, tabs, tab scroll buttons, hide bars and their
// buttons, on a canvas in window coordinates of the control's non-client area. The other
// views descend from it.
class TdxDockControlPainter : public TObject {
  KORVAN_CLASS(TdxDockControlPainter, TObject)

 public:
  TdxDockControlPainter() = default;
  explicit TdxDockControlPainter(TdxCustomDockControl* owner) : owner_(owner) {}
  TdxCustomDockControl* DockControl() const { return owner_; }

  // Class operations: the view's defaults for a manager switching to it; the view's colours.
  virtual void InitManagerColor(TdxDockingManager* manager);
  virtual void InitManagerFont(TdxDockingManager* manager);
  virtual void CreateColors() {}
  virtual void RefreshColors() {}
  virtual void ReleaseColors() {}

  // Colours and fonts.
  virtual TColor GetColor();
  virtual TFont* GetFont();
  virtual TColor GetFrameColor() { return GetColor(); }
  virtual TColor GetCaptionColor(bool active) { return GetColor(); }
  virtual TFont* GetCaptionFont(bool active) { return GetFont(); }
  virtual TColor GetCaptionFontColor(bool active) { return GetCaptionFont(active)->Color(); }
  virtual TColor GetCaptionSignColor(bool active, bool down, bool hot) { return GetCaptionFontColor(active); }
  virtual TColor GetTabsColor() { return GetColor(); }
  virtual TColor GetTabColor(bool active) { return GetColor(); }
  virtual TFont* GetTabFont(bool active) { return GetFont(); }
  virtual TColor GetTabFontColor(bool active) { return GetTabFont(active)->Color(); }
  virtual TColor GetTabsScrollButtonsColor() { return GetColor(); }
  virtual TColor GetTabsScrollButtonsSignColor(bool enabled);
  virtual TColor GetHideBarColor() { return GetColor(); }
  virtual TColor GetHideBarButtonColor() { return GetColor(); }
  virtual TFont* GetHideBarButtonFont() { return GetFont(); }
  virtual TColor GetHideBarButtonFontColor() { return GetHideBarButtonFont()->Color(); }

  // Metrics.
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

  // Drawing.
  virtual void DrawBorder(TCanvas* canvas, TRect r);
  virtual void DrawCaption(TCanvas* canvas, TRect r, bool active);
  virtual void DrawCaptionSeparator(TCanvas* canvas, TRect r);
  virtual void DrawCaptionText(TCanvas* canvas, TRect r, bool active);
  virtual void DrawCaptionButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot);
  virtual void DrawCaptionCloseButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot, bool switched);
  virtual void DrawCaptionHideButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot, bool switched);
  virtual void DrawCaptionMaximizeButton(TCanvas* canvas, TRect r, bool active, bool down, bool hot,
                                         bool switched);
  virtual void DrawClient(TCanvas* canvas, TRect r);
  virtual void DrawTabs(TCanvas* canvas, TRect r, TRect activeTabRect, TdxTabContainerTabsPosition position);
  virtual void DrawTab(TCanvas* canvas, TdxCustomDockControl* control, TRect r, bool active,
                       TdxTabContainerTabsPosition position);
  virtual void DrawTabContent(TCanvas* canvas, TdxCustomDockControl* control, TRect r, bool active,
                              TdxTabContainerTabsPosition position);
  virtual void DrawTabsScrollRightButton(TCanvas* canvas, TRect r, bool down, bool hot, bool enabled,
                                         TdxTabContainerTabsPosition position);
  virtual void DrawTabsScrollLeftButton(TCanvas* canvas, TRect r, bool down, bool hot, bool enabled,
                                        TdxTabContainerTabsPosition position);
  virtual void DrawTabsScrollButton(TCanvas* canvas, TRect r, bool down, bool hot, bool enabled,
                                    TdxTabContainerTabsPosition position);
  virtual void DrawHideBar(TCanvas* canvas, TRect r, TdxAutoHidePosition position);
  virtual void DrawHideBarButton(TCanvas* canvas, TdxCustomDockControl* control, TRect r,
                                 TdxAutoHidePosition position);
  virtual void DrawHideBarButtonContent(TCanvas* canvas, TdxCustomDockControl* control, TRect r,
                                        TdxAutoHidePosition position);
  virtual void DrawHideBarButtonImage(TCanvas* canvas, TdxCustomDockControl* control, TRect r);
  virtual void DrawHideBarButtonText(TCanvas* canvas, TdxCustomDockControl* control, TRect r,
                                     TdxAutoHidePosition position);

  // The manager's image list and its extents (0, or 16 for the defaults, without one).
  TCustomImageList* Images();
  Integer GetImageHeight();
  Integer GetImageWidth();
  Integer GetDefaultImageHeight();
  Integer GetDefaultImageWidth();
  bool IsValidImageIndex(Integer index);
  static void DrawImage(TCanvas* canvas, TCustomImageList* images, TRect r, Integer index);
  // Both corners of inner inside outer (the bottom-right one strictly).
  static bool RectInRect(const TRect& inner, const TRect& outer);

  // Shades: each channel scaled, or lightened towards white, by a percentage.
  static TColor DarkenColor(TColor c, Integer percent);
  static TColor LightenColor(TColor c, Integer percent);
  static TColor LightColor(TColor c) { return LightenColor(c, 60); }
  static TColor LightLightColor(TColor c) { return LightenColor(c, 20); }
  static TColor DarkColor(TColor c) { return DarkenColor(c, 60); }
  static TColor DarkDarkColor(TColor c) { return DarkenColor(c, 20); }
  // Edge lines: sides 1 left, 2 top, 4 right, 8 bottom, 16 left and top, 32 right and bottom,
  // 64 all; styles 0..5 pick the two shades of the left/top and right/bottom lines.
  static void DrawColorEdge(TCanvas* canvas, TRect r, Integer sides, Integer style, TColor color);
  // The triangle of a tab scroll button, inside r.
  static std::vector<TPoint> ScrollArrowPoints(const TRect& r, bool right);
  // Turns a 32-bit bitmap: 1 a quarter counter-clockwise, 2 a quarter clockwise, 3 a half.
  static void RotateBitmap(TBitmap* bitmap, Integer direction);

 protected:
  Integer FontSize();
  // Fills r with a solid colour.
  static void FillRect(TCanvas* canvas, const TRect& r, TColor color);
  // The four border strips of GetBorderWidth in the frame colour: left, bottom, right, top.
  void FillBorderStrips(TCanvas* canvas, const TRect& r);
  // Text in one line, vertically centred, with an end ellipsis, on a clear background.
  static void DrawSingleLineText(TCanvas* canvas, const String& text, TRect r);
  // The length of one section of a tab container's hide-bar button along the bar.
  Integer HideBarSectionLength(TdxAutoHidePosition position);

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
  virtual void DoClose();
  // The hide button: switches auto-hide; the maximize button: maximizes or restores the
  // control inside its side container.
  virtual void ChangeAutoHide();
  virtual void DoMaximize();
  virtual void Activate();
  void StoreDockPosition(TPoint p);
  virtual void RestoreDockPosition(TPoint p);

  // Drag docking and resizing (screen points). A drag previews the drop zone under the
  // pointer, or the floating frame, on the screen; release docks or floats; Esc, the right
  // button and deactivating the application cancel.
  virtual void StartDocking(TPoint p);
  void Docking(TPoint p);
  void EndDocking(TPoint p, bool cancel);
  void StartResize(TPoint p);
  void Resizing(TPoint p);
  void EndResize(TPoint p, bool cancel);
  TdxZone* DockingZone() const { return dockingZone_; }
  TPoint DockingPoint() const { return dockingPoint_; }
  TPoint GrabOffset() const { return grabOffset_; }
  TdxZone* ResizeZone() const { return resizeZone_; }
  TPoint ResizePoint() const { return resizePoint_; }
  // The floating frame in screen coordinates with the pointer at p.
  TRect FloatingFrameAt(TPoint p);
  virtual bool CanResizing(Integer newWidth, Integer newHeight);
  virtual bool CanResizeAtPos(TPoint client);

  // Zones: the drop zones offered while something is dragged over this control (its own and
  // its ancestors', outermost first) and the resize zones under the pointer.
  Integer DockZoneCount() const { return Integer(dockZones_.size()); }
  TdxZone* DockZones(Integer i) const { return dockZones_[size_t(i)].get(); }
  Integer ResizeZoneCount() const { return Integer(resizeZones_.size()); }
  TdxZone* ResizeZones(Integer i) const { return resizeZones_[size_t(i)].get(); }
  void UpdateDockZones();
  void UpdateResizeZones();
  // The zones this control offers on `control` (a descendant or itself).
  virtual void CreateDockZones(TdxCustomDockControl* control, Integer width);
  virtual void CreateResizeZones(TdxCustomDockControl* control);
  // Puts a zone at the head of the list.
  void InsertDockZone(TdxZone* zone);
  void InsertResizeZone(TdxZone* zone);
  virtual TdxZone* GetDockZoneAtPos(TdxCustomDockControl* control, TPoint screen);
  virtual TdxZone* GetResizeZoneAtPos(TPoint screen);

  // Floating.
  TdxFloatDockSite* FloatDockSite() const;
  TdxFloatForm* FloatForm();
  bool FloatFormActive();
  bool FloatFormVisible();
  virtual void AssignFloatSiteProperties(TdxFloatDockSite* site);

  // Layout sections (a store of sections with keys).
  virtual void WriteLayoutSection(TCustomIniFile* store, const String& section);
  virtual void ReadLayoutSection(TCustomIniFile* store, TCustomForm* form, const String& section,
                                 TdxCustomDockControl* parentSite);
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
  TdxContainerDockSite* Container() const;
  TdxTabContainerDockSite* TabContainer() const;
  // The side container this control (or its tab container) stands in, the item that stands
  // there and the item's index in it.
  TdxSideContainerDockSite* SideContainer() const;
  TdxCustomDockControl* SideContainerItem() const;
  Integer SideContainerIndex() const;

  // Rules.
  virtual bool CanDock() { return false; }
  virtual bool CanDockHost(TdxCustomDockControl* control, TdxDockingType type);
  virtual bool CanActive() { return false; }
  virtual bool CanAutoHide() { return false; }
  virtual bool CanDestroy() { return true; }
  // Whether DoActivate may move the focus here; whether the focus can go to this control.
  virtual bool CanActivate() { return false; }
  virtual bool CanFocusEx();
  // Whether a container docked onto this control hands its children over one by one.
  virtual bool CanAcceptSideContainerItems(TdxSideContainerDockSite* container) { return false; }
  virtual bool CanAcceptTabContainerItems(TdxTabContainerDockSite* container) { return false; }

  // Properties.
  TdxDockingTypes AllowDock() const { return allowDock_; }
  void SetAllowDock(TdxDockingTypes v);
  TdxDockingTypes AllowDockClients() const { return allowDockClients_; }
  void SetAllowDockClients(TdxDockingTypes v);
  bool AllowFloating() const { return allowFloating_; }
  void SetAllowFloating(bool v);
  bool AutoHide() const { return autoHide_; }
  void SetAutoHide(bool v);
  TdxAutoHidePosition AutoHidePosition() const { return autoHidePosition_; }
  // The control was auto-hidden when it was hidden: showing it switches auto-hide on again.
  bool StoredAutoHide() const { return storedAutoHide_; }
  // The edge of the form's dock site whose hide bar takes this control.
  TdxAutoHidePosition GetAutoHidePosition();
  virtual TdxAutoHidePosition GetControlAutoHidePosition(TdxCustomDockControl* control);
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
  virtual bool HasTabs() { return false; }
  virtual bool IsCaptionActive();
  // Rebuilds the caption of the container (or float site) that shows this control's text.
  virtual void UpdateCaption();
  // Inside a tab container only the active tab's control is enabled.
  virtual void UpdateEnabled();
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
  // Frame painting: border and caption; descendants add tabs and hide bars.
  virtual void NCPaint(TCanvas* canvas);
  void NCPaintCaption(TCanvas* canvas);
  // A screen point in the window's own coordinates.
  TPoint ScreenToWindow(TPoint screen);
  // Caption mouse state (for the painters and tests).
  bool IsCloseButtonHot() const { return closeHot_; }
  bool IsHideButtonHot() const { return hideHot_; }
  bool IsMaximizeButtonHot() const { return maximizeHot_; }
  bool IsCloseButtonPressed() const { return closePressed_; }
  bool IsHideButtonPressed() const { return hidePressed_; }
  bool IsMaximizeButtonPressed() const { return maximizePressed_; }
  bool IsCaptionPressed() const { return captionPressed_; }
  bool IsParentFormActive();
  bool IsParentFormVisible();
  // Maximized inside its side container.
  bool IsMaximized() const;

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
  TdxDockingEvent OnDocking;
  TdxCanDockingEvent OnCanDocking;
  TdxResizingEvent OnStartResizing;
  TdxResizingEvent OnResizing;
  TdxResizingEvent OnEndResizing;
  TdxCustomDrawSelectionEvent OnCustomDrawDockingSelection;
  TdxCustomDrawSelectionEvent OnCustomDrawResizingSelection;
  TdxUpdateZonesEvent OnUpdateDockZones;
  TdxUpdateZonesEvent OnUpdateResizeZones;
  TdxCreateLayoutSiteEvent OnCreateFloatSite;
  TdxMakeFloatingEvent OnMakeFloating;
  TdxDockControlNotifyEvent OnAutoHideChanged;
  TdxDockControlNotifyEvent OnAutoHideChanging;
  TdxGetAutoHidePositionEvent OnGetAutoHidePosition;
  TdxCreateLayoutSiteEvent OnCreateTabContainer;
  TdxCreateLayoutSiteEvent OnCreateSideContainer;
  TNotifyEvent OnParentChanged;
  TNotifyEvent OnParentChanging;
  TNotifyEvent OnVisibleChanged;
  TNotifyEvent OnVisibleChanging;

 protected:
  friend class TdxDockingController;
  friend class TdxCustomDockSite;
  friend class TdxLayoutDockSite;
  friend class TdxDockSite;
  friend class TdxContainerDockSite;
  friend class TdxTabContainerDockSite;
  friend class TdxSideContainerDockSite;

  virtual void IncludeToDock(TdxCustomDockControl* site, TdxDockingType type, Integer index);
  virtual void ExcludeFromDock();
  virtual void CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index);
  virtual void DestroyLayout(TdxCustomDockControl* control);
  // The layouts a docking target builds inside its parent: a side container holding it and
  // the new control (dtLeft..dtBottom), or a tab container (dtClient).
  void CreateContainerLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index);
  void CreateTabContainerLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index);
  virtual void AssignSideContainerSiteProperties(TdxSideContainerDockSite* site);
  virtual void AssignTabContainerSiteProperties(TdxTabContainerDockSite* site);
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
  virtual void AutoHideChanged();
  void UpdateAutoHideVisibility();
  void UpdateParentVisibility();
  void UpdateLayoutDockSiteVisibility();
  void UpdateAutoHideHostSite();
  // Names a site created by a docking operation after its class, unique among the owner's
  // components, so that saved layouts can find it again.
  static void NameCreatedSite(TComponent* site);

  void WndProc(TMessage& message) override;
  void CreateWnd() override;
  void CMVisibleChanged(TMessage& m) override;
  void CMFontChanged(TMessage& m) override;
  void CMColorChanged(TMessage& m) override;
  void CMTextChanged(TMessage& m) override;
  void WMNCHitTest(TMessage& m) override;
  // The mouse on the frame, in client coordinates; each answers whether it handled the
  // message (descendants handle what the base leaves).
  virtual bool MouseLeftDown(TPoint client);
  virtual bool MouseLeftUp(TPoint client);
  virtual bool MouseMoved(TPoint client);
  virtual bool MouseLeftDoubleClick(TPoint client);
  virtual void MouseLeft();
  void ShowContextMenu(TMessage& m);
  void VisibleChanging() override;
  void AlignControls(TControl* control, TRect& rect) override;
  void Notification(TComponent* c, TOperation operation) override;
  void DefineProperties(TFiler* filer) override;

  bool useDoubleBufferedNC_ = false;

 private:
  void WMNCCalcSize(TMessage& m);
  void WMNCPaint();
  void WMSetCursor(TMessage& m) override;
  // The previews on the screen (drawing twice erases).
  void DrawDockingSelection(TdxZone* zone, TPoint p, bool erasing);
  void DrawResizingSelection(TdxZone* zone, TPoint p, bool erasing);
  // Starts the drag of a pending caption or tab press once the pointer left `r`.
  bool CheckDragStart(TPoint client, const TRect& r);
  // Frees the own dock and resize zones (kept until a running drag ends).
  void FreeZones();
  friend class TdxFloatDockSite;
  friend class TdxFloatForm;
  friend class TdxZone;
  friend class TdxDockPanel;

  friend class TdxDockSiteHideBar;
  bool creationFailed_ = false;
  bool storedAutoHide_ = false;
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
  bool captionPressed_ = false, closePressed_ = false, hidePressed_ = false, maximizePressed_ = false;
  bool closeHot_ = false, hideHot_ = false, maximizeHot_ = false;
  TPoint lastMousePoint_, pressPoint_;
  TdxZoneList dockZones_, resizeZones_;
  TdxZone* dockingZone_ = nullptr;
  TdxZone* resizeZone_ = nullptr;
  TPoint dockingPoint_, grabOffset_, resizeStartPoint_, resizePoint_;
  TControl* savedCaptureControl_ = nullptr;
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
  void CreateDockZones(TdxCustomDockControl* control, Integer width) override;

 protected:
  void CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) override;
  void DestroyLayout(TdxCustomDockControl* control) override;
  void WMNCHitTest(TMessage& m) override;
};

// The base of the tab and side containers: any number of children, one active child, and
// dissolving into its last child when only one is left.
class TdxContainerDockSite : public TdxCustomDockSite {
  KORVAN_CLASS(TdxContainerDockSite, TdxCustomDockSite)

 public:
  explicit TdxContainerDockSite(TComponent* owner);

  TdxCustomDockControl* ActiveChild() const { return activeChild_; }
  void SetActiveChild(TdxCustomDockControl* c);
  // While loading or without a window the index is kept and applied once the window exists.
  Integer ActiveChildIndex() const;
  void SetActiveChildIndex(Integer v);
  void SetActiveChildByIndex(Integer index);

  // The dock type of the first child and of the others.
  virtual TdxDockingType GetHeadDockType() const { return dtClient; }
  virtual TdxDockingType GetTailDockType() const { return dtClient; }
  bool HasDockType(TdxDockingType t) const { return t == GetHeadDockType() || t == GetTailDockType(); }

  TdxCustomDockControl* FirstValidChild() const;
  TdxCustomDockControl* LastValidChild() const;
  Integer LastValidChildIndex() const;
  TdxCustomDockControl* NextValidChild(Integer index) const;
  Integer NextValidChildIndex(Integer index) const;
  TdxCustomDockControl* PrevValidChild(Integer index) const;
  Integer PrevValidChildIndex(Integer index) const;

  bool CanDock() override { return true; }
  void SetParent(TWinControl* parent) override;
  void Loaded() override;
  void ReadLayoutSection(TCustomIniFile* store, TCustomForm* form, const String& section,
                         TdxCustomDockControl* parentSite) override;

  TdxActiveChildChangeEvent OnActiveChildChanged;

 protected:
  virtual void BeginAdjustBounds() { DisableAlign(); }
  virtual void EndAdjustBounds() { EnableAlign(); }
  virtual void ActiveChildChanged();
  virtual bool CanActiveChild(TdxCustomDockControl* c) { return IsValidChild(c); }
  virtual void ValidateActiveChild(Integer index) {}
  // Docked onto a target that accepts the children one by one: they go over, the last first,
  // each to the same place (an appending index stands for the target's current end), so they
  // keep their order; then this container goes.
  void HandOverChildren(TdxCustomDockControl* site, TdxDockingType type, Integer index);
  void ChildVisibilityChanged(TdxCustomDockControl* child) override;
 public:
  void CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) override;
 protected:
 public:
  void DestroyLayout(TdxCustomDockControl* control) override;
 protected:
  void UpdateLayout() override;
  void CreateWnd() override;
  void Notification(TComponent* c, TOperation operation) override;

 private:
  TdxCustomDockControl* activeChild_ = nullptr;
  Integer storedActiveChildIndex_ = -1;
  bool pendingActivation_ = false;
};

// Several dock controls in one place, one shown at a time, with a strip of tabs.
class TdxTabContainerDockSite : public TdxContainerDockSite {
  KORVAN_CLASS(TdxTabContainerDockSite, TdxContainerDockSite)

 public:
  explicit TdxTabContainerDockSite(TComponent* owner);
  ~TdxTabContainerDockSite() override;

  TdxTabContainerTabsPosition TabsPosition() const { return tabsPosition_; }
  void SetTabsPosition(TdxTabContainerTabsPosition v);
  bool TabsScroll() const { return tabsScroll_; }
  void SetTabsScroll(bool v);
  void Assign(TPersistent* source) override;

  Integer FirstVisibleTabIndex() const { return firstVisibleTabIndex_; }
  Integer PressedTabIndex() const { return pressedTabIndex_; }
  const TRect& TabsRect() const { return tabsRect_; }
  Integer TabCount() const { return Integer(tabsRects_.size()); }
  TRect GetTabRect(Integer index) const { return tabsRects_[size_t(index)]; }
  const TRect& ScrollLeftButtonRect() const { return scrollLeftRect_; }
  const TRect& ScrollRightButtonRect() const { return scrollRightRect_; }
  bool IsScrollLeftEnabled() const { return leftEnabled_; }
  bool IsScrollRightEnabled() const { return rightEnabled_; }
  bool IsScrollLeftHot() const { return leftHot_; }
  bool IsScrollRightHot() const { return rightHot_; }
  bool IsScrollLeftPressed() const { return leftPressed_; }
  bool IsScrollRightPressed() const { return rightPressed_; }
  bool ScrollButtonsVisible() const { return tabsScroll_ && (leftEnabled_ || rightEnabled_); }
  // The width a child's tab wants: its text (measured once per text, font and image list)
  // and, with images, room for one.
  Integer GetTabWidth(TdxCustomDockControl* c);
  // A child's caption changed or the child left: its width is measured again.
  void ForgetTabWidth(const TdxCustomDockControl* c) { textWidths_.erase(c); }
  // Points in screen coordinates.
  Integer GetTabIndexAtPos(TPoint screen);
  bool IsTabsPoint(TPoint screen);
  bool IsScrollLeftButtonPoint(TPoint screen);
  bool IsScrollRightButtonPoint(TPoint screen);
  Integer LastVisibleTabIndex();
  bool ScrollLeft();
  bool ScrollRight();
  void MakeActiveTabVisible();
  void ActivateActiveChild();

  bool CanActive() override { return true; }
  bool CanAutoHide() override;
  bool CanMaximize() override;
  bool CanAcceptSideContainerItems(TdxSideContainerDockSite* container) override;
  bool CanAcceptTabContainerItems(TdxTabContainerDockSite* container) override { return true; }
  bool CanDockHost(TdxCustomDockControl* control, TdxDockingType type) override;
  bool HasBorder() override;
  bool HasCaption() override;
  bool HasTabs() override;
  bool IsCaptionActive() override;
  void UpdateCaption() override;
  void ChangeAutoHide() override;
  void DoClose() override;
  void CalculateNC(TRect& r) override;
  void NCPaint(TCanvas* canvas) override;
  void UpdateLayout() override;
  void CreateDockZones(TdxCustomDockControl* control, Integer width) override;
  void ReadLayoutSection(TCustomIniFile* store, TCustomForm* form, const String& section,
                         TdxCustomDockControl* parentSite) override;

 protected:
  void ActiveChildChanged() override;
  void ValidateActiveChild(Integer index) override;
  void ChildVisibilityChanged(TdxCustomDockControl* child) override;
 public:
  void CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) override;
 protected:
 public:
  void DestroyLayout(TdxCustomDockControl* control) override;
 protected:
 public:
  void IncludeToDock(TdxCustomDockControl* site, TdxDockingType type, Integer index) override;
 protected:
  bool MouseLeftDown(TPoint client) override;
  bool MouseLeftUp(TPoint client) override;
  bool MouseMoved(TPoint client) override;
  bool MouseLeftDoubleClick(TPoint client) override;
  void MouseLeft() override;
  void WndProc(TMessage& message) override;

 private:
  void UpdateScrollButtonsEnabled();
  void StartScrollTimer();
  void DoScrollTimer(bool right);
  void UpdateChildrenEnabled();
  TPoint ClientToWindowPoint(TPoint client);

  Integer firstVisibleTabIndex_ = 0, pressedTabIndex_ = -1;
  TdxTabContainerTabsPosition tabsPosition_ = tctpBottom;
  bool tabsScroll_ = true;
  TRect tabsRect_, scrollLeftRect_, scrollRightRect_;
  std::vector<TRect> tabsRects_;
  bool scrollTimerRunning_ = false;
  bool rightPressed_ = false, rightEnabled_ = false, rightHot_ = false;
  bool leftPressed_ = false, leftEnabled_ = false, leftHot_ = false;
  // Measured caption widths per child, dropped when the child's text changes, when it
  // leaves, and all of them when the font or the image list changes.
  std::unordered_map<const TdxCustomDockControl*, Integer> textWidths_;
  String measuredFont_;
  Integer measuredImageWidth_ = -1;
  void CheckMeasuredFont();
};

// Dock controls next to each other along one axis, sharing its length by their original
// lengths; one child can be maximized (the active child).
class TdxSideContainerDockSite : public TdxContainerDockSite {
  KORVAN_CLASS(TdxSideContainerDockSite, TdxContainerDockSite)

 public:
  explicit TdxSideContainerDockSite(TComponent* owner) : TdxContainerDockSite(owner) {}

  void AdjustChildrenBounds(TdxCustomDockControl* control);
  Integer GetFreeSpace();
  void DistributeFreeSpace(Integer delta);
  bool CanResizeChild(TdxCustomDockControl* control, Integer delta);
  void ResizeChild(TdxCustomDockControl* control, Integer delta);
  void ChildBoundsChanged(TdxCustomDockControl* control, Integer width, Integer height);
  Integer AdjustLock() const { return adjustLock_; }

  // The axis: the container's length and each child's lengths and position along it.
  virtual Integer GetContainerSize() = 0;
  virtual Integer GetDimension(Integer width, Integer height) = 0;
  virtual Integer GetChildMinSize(Integer index) = 0;
  virtual Integer GetChildOriginalSize(Integer index) = 0;
  virtual Integer GetChildSize(Integer index) = 0;
  virtual Integer GetChildPosition(Integer index) = 0;
  virtual void SetChildOriginalSize(Integer index, Integer value) = 0;
  virtual void SetChildSize(Integer index, Integer value) = 0;
  virtual void SetChildPosition(Integer index, Integer value) = 0;

  bool CanActive() override { return true; }
  bool CanAutoHide() override;
  bool CanMaximize() override;
  bool CanDockHost(TdxCustomDockControl* control, TdxDockingType type) override;
  bool CanAcceptSideContainerItems(TdxSideContainerDockSite* container) override;
  bool CanAcceptTabContainerItems(TdxTabContainerDockSite* container) override;
  bool HasBorder() override;
  bool HasCaption() override;
  void UpdateCaption() override;
  void ChangeAutoHide() override;
  void DoClose() override;
  void SetBounds(Integer left, Integer top, Integer width, Integer height) override;
  void UpdateLayout() override;
  void CreateDockZones(TdxCustomDockControl* control, Integer width) override;
  void CreateResizeZones(TdxCustomDockControl* control) override;
  void ReadLayoutSection(TCustomIniFile* store, TCustomForm* form, const String& section,
                         TdxCustomDockControl* parentSite) override;

 protected:
  void BeginAdjustBounds() override;
  void EndAdjustBounds() override;
  void ActiveChildChanged() override;
  bool CanActiveChild(TdxCustomDockControl* c) override { return !c || IsValidChild(c); }
  void ValidateActiveChild(Integer index) override;
  void ChildVisibilityChanged(TdxCustomDockControl* child) override;
 public:
  void CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) override;
 protected:
 public:
  void IncludeToDock(TdxCustomDockControl* site, TdxDockingType type, Integer index) override;
 protected:
  void UpdateControlOriginalSize(TdxCustomDockControl* control) override;

 private:
  Integer adjustLock_ = 0;
};

// Children side by side from left to right.
class TdxHorizContainerDockSite : public TdxSideContainerDockSite {
  KORVAN_CLASS(TdxHorizContainerDockSite, TdxSideContainerDockSite)

 public:
  using TdxSideContainerDockSite::TdxSideContainerDockSite;
  TdxDockingType GetHeadDockType() const override { return dtLeft; }
  TdxDockingType GetTailDockType() const override { return dtRight; }
  Integer GetContainerSize() override;
  Integer GetDimension(Integer width, Integer height) override { return width; }
  Integer GetChildMinSize(Integer index) override { return Children(index)->GetMinimumWidth(); }
  Integer GetChildOriginalSize(Integer index) override { return Children(index)->OriginalWidth(); }
  Integer GetChildSize(Integer index) override { return Children(index)->Width(); }
  Integer GetChildPosition(Integer index) override { return Children(index)->Left(); }
  void SetChildOriginalSize(Integer index, Integer value) override;
  void SetChildSize(Integer index, Integer value) override;
  void SetChildPosition(Integer index, Integer value) override;
};

// Children one above another from top to bottom.
class TdxVertContainerDockSite : public TdxSideContainerDockSite {
  KORVAN_CLASS(TdxVertContainerDockSite, TdxSideContainerDockSite)

 public:
  using TdxSideContainerDockSite::TdxSideContainerDockSite;
  TdxDockingType GetHeadDockType() const override { return dtTop; }
  TdxDockingType GetTailDockType() const override { return dtBottom; }
  Integer GetContainerSize() override;
  Integer GetDimension(Integer width, Integer height) override { return height; }
  Integer GetChildMinSize(Integer index) override { return Children(index)->GetMinimumHeight(); }
  Integer GetChildOriginalSize(Integer index) override { return Children(index)->OriginalHeight(); }
  Integer GetChildSize(Integer index) override { return Children(index)->Height(); }
  Integer GetChildPosition(Integer index) override { return Children(index)->Top(); }
  void SetChildOriginalSize(Integer index, Integer value) override;
  void SetChildSize(Integer index, Integer value) override;
  void SetChildPosition(Integer index, Integer value) override;
};

// The dock site a form places directly: the root of a dock tree.
class TdxDockSiteHideBar;

// The window an auto-hidden control slides out in, beside its dock site.
class TdxDockSiteAutoHideContainer : public TWinControl {
  KORVAN_CLASS(TdxDockSiteAutoHideContainer, TWinControl)

 public:
  explicit TdxDockSiteAutoHideContainer(TComponent* owner);
  // The controls inside belong to the form: they leave, they are not freed with it.
  ~TdxDockSiteAutoHideContainer() override;

 protected:
  void WndProc(TMessage& message) override;
};

// The dock site a form places directly: the root of a dock tree. It hosts auto-hide: the
// buttons of auto-hidden controls stand on four hide bars along its edges, and a control
// slides out beside the bar while the pointer rests on its button.
class TdxDockSite : public TdxCustomDockSite {
  KORVAN_CLASS(TdxDockSite, TdxCustomDockSite)

 public:
  explicit TdxDockSite(TComponent* owner);
  ~TdxDockSite() override;
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
  TdxAutoHidePosition GetControlAutoHidePosition(TdxCustomDockControl* control) override;

  // Auto-hide.
  void AddAutoHideControl(TdxCustomDockControl* control, TdxAutoHidePosition position);
  void RemoveAutoHideControl(TdxCustomDockControl* control);
  // Slides a control out (nil: the shown one back in).
  void ShowControl(TdxCustomDockControl* control);
  void ShowControlImmediately(TdxCustomDockControl* control);
  void HideShownControlImmediately(bool keepContainer);
  void UpdateShownBounds(TdxCustomDockControl* control);
  // The hide check starts its interval again (the pointer left the shown control).
  void RestartHideTimer() { StartHideTimer(); }
  TdxCustomDockControl* ShownControl() const { return shownControl_; }
  TdxCustomDockControl* MovingControl() const { return movingControl_; }
  TdxCustomDockControl* HoverControl() const { return hoverControl_; }
  // The four bars: top, bottom, left, right.
  TdxDockSiteHideBar* HideBars(Integer index) const { return hideBars_[size_t(index)].get(); }
  TdxDockSiteHideBar* GetHideBarByPosition(TdxAutoHidePosition position) const;
  TdxDockSiteHideBar* GetHideBarByControl(TdxCustomDockControl* control) const;
  // Points in screen coordinates.
  TdxDockSiteHideBar* GetHideBarAtPos(TPoint screen);
  TdxCustomDockControl* GetHideBarControlAtPos(TPoint screen, TdxCustomDockControl** child = nullptr);
  TdxAutoHidePosition GetControlHideBarPosition(TdxCustomDockControl* control) const;
  bool HasVisibleHideBars() const;
  TdxDockSiteAutoHideContainer* AutoHideContainerOf(TdxCustomDockControl* control) const;

  void CalculateNC(TRect& r) override;
  void NCPaint(TCanvas* canvas) override;
  void CreateDockZones(TdxCustomDockControl* control, Integer width) override;
  void CreateResizeZones(TdxCustomDockControl* control) override;
  void WriteLayoutSection(TCustomIniFile* store, const String& section) override;
  void ReadLayoutSection(TCustomIniFile* store, TCustomForm* form, const String& section,
                         TdxCustomDockControl* parentSite) override;

  TdxAutoHideControlEvent OnHideControl;
  TdxAutoHideControlEvent OnShowControl;

 protected:
  void CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) override;
  void DestroyLayout(TdxCustomDockControl* control) override;
  void ChildVisibilityChanged(TdxCustomDockControl* child) override;
  void UpdateControlOriginalSize(TdxCustomDockControl* control) override;
  bool MouseLeftDown(TPoint client) override;
  bool MouseMoved(TPoint client) override;
  void MouseLeft() override;
  void WndProc(TMessage& message) override;
  void ValidateInsert(TComponent* c) override;
  void Notification(TComponent* c, TOperation operation) override;

 private:
  friend class TdxDockSiteHideBar;
  void StartTimer(UINT_PTR id, Integer interval);
  void KillTimer(UINT_PTR id);
  bool TimerRunning(UINT_PTR id) const { return timers_[id] ; }
  void StartShowTimer();
  void StartHideTimer();
  void DoShowTimer();
  void DoShowingStep();
  void DoHidingStep();
  void CheckHideShownControl();
  void SetControlShown(TdxCustomDockControl* control, bool visible);

  bool autoSize_ = false;
  Integer autoSizeWidth_ = 0, autoSizeHeight_ = 0;
  std::vector<std::unique_ptr<TdxDockSiteHideBar>> hideBars_;
  bool timers_[4] = {};
  TdxCustomDockControl* movingControl_ = nullptr;
  TdxDockSiteHideBar* movingHideBar_ = nullptr;
  TdxCustomDockControl* shownControl_ = nullptr;
  TdxCustomDockControl* hoverControl_ = nullptr;
  bool showing_ = false;  // the moving control slides out (else back in)
};

// One hide bar of a dock site: the auto-hidden controls at its edge, their buttons, and the
// bounds of the window a control slides out in.
class TdxDockSiteHideBar {
 public:
  TdxDockSiteHideBar(TdxDockSite* site, TdxAutoHidePosition position) : site_(site), position_(position) {}
  ~TdxDockSiteHideBar();
  TdxAutoHidePosition GetPosition() const { return position_; }
  bool IsVertical() const { return position_ == ahpLeft || position_ == ahpRight; }
  Integer ControlCount() const { return Integer(controls_.size()); }
  TdxCustomDockControl* Controls(Integer i) const { return controls_[size_t(i)]; }
  bool Contains(const TdxCustomDockControl* c) const;
  const TRect& BarRect() const { return barRect_; }
  TRect ButtonRect(Integer i) const { return i < Integer(buttonRects_.size()) ? buttonRects_[size_t(i)] : TRect(); }
  TAnchors GetContainerAnchors() const;
  TAlign GetControlAlign() const;
  Integer GetButtonLength(TdxCustomDockControl* control);
  // The control whose button holds the point (window coordinates of the site); for a tab
  // container `child` gets the tab its section stands for.
  TdxCustomDockControl* GetButtonControlAtPos(TPoint p, TdxCustomDockControl** child);
  TdxCustomDockControl* GetTabContainerChildAtPos(TPoint p, TdxTabContainerDockSite* container, const TRect& button);

  void Calculate(const TRect& r);
  void CalculateButtons();
  void AddControl(TdxCustomDockControl* control);
  void RemoveControl(TdxCustomDockControl* control);
  TdxDockSiteAutoHideContainer* ContainerOf(const TdxCustomDockControl* control) const;
  // A container freed from elsewhere (with the form) is forgotten.
  void ForgetContainer(const TComponent* container);
  // The site goes: the controls leave their containers, which are freed.
  void ReleaseControls();

  // The sliding window's bounds.
  void SetExpandedBounds(TdxCustomDockControl* control);
  void SetCollapsedBounds(TdxCustomDockControl* control);
  void ChangeContainerSize(TdxCustomDockControl* control, Integer delta);
  bool IsCollapsed(TdxCustomDockControl* control) const;
  bool IsExpanded(TdxCustomDockControl* control) const;

 private:
  void CreateAutoHideContainer(TdxCustomDockControl* control);
  void DestroyAutoHideContainer(TdxCustomDockControl* control);
  // The site's client rectangle in the coordinates of the site's parent.
  TRect SiteClientRect() const;
  TdxDockSite* site_;
  TdxAutoHidePosition position_;
  std::vector<TdxCustomDockControl*> controls_;
  std::vector<TdxDockSiteAutoHideContainer*> containers_;
  TRect barRect_;
  std::vector<TRect> buttonRects_;
};

// ---- floating -------------------------------------------------------------------------------

// The site of a floating control: holds exactly one child and is the client of a float form.
class TdxFloatDockSite : public TdxCustomDockSite {
  KORVAN_CLASS(TdxFloatDockSite, TdxCustomDockSite)

 public:
  explicit TdxFloatDockSite(TComponent* owner);
  ~TdxFloatDockSite() override;
  void BeforeDestruction() override;
  void Loaded() override;

  TdxFloatForm* FloatFormOf() const { return floatForm_; }
  TdxCustomDockControl* Child() const { return ChildCount() == 1 ? Children(0) : nullptr; }
  Integer FloatLeft() const;
  void SetFloatLeft(Integer v);
  Integer FloatTop() const;
  void SetFloatTop(Integer v);
  Integer FloatWidth() const;
  void SetFloatWidth(Integer v);
  Integer FloatHeight() const;
  void SetFloatHeight(Integer v);

  void CreateFloatForm();
  void DestroyFloatForm();
  void UpdateFloatPosition();
  void ShowFloatForm();
  void HideFloatForm();
  // Places the float form at (x, y), kept inside the work area of the monitor there.
  void SetFloatFormPosition(Integer x, Integer y);
  void SetFloatFormSize(Integer width, Integer height);
  TdxCustomDockControl* GetActivatableChild();
  void DoSetFloatFormCaption();

  bool CanDockHost(TdxCustomDockControl* control, TdxDockingType type) override { return false; }
  bool CanDestroy() override;
  void CreateDockZones(TdxCustomDockControl* control, Integer width) override;
  void StartDocking(TPoint p) override;
  void RestoreDockPosition(TPoint p) override;
  void Activate() override;
  void DoClose() override;
  void UpdateCaption() override;
  void SetParent(TWinControl* parent) override;
  void ReadLayoutSection(TCustomIniFile* store, TCustomForm* form, const String& section,
                         TdxCustomDockControl* parentSite) override;

  TdxSetFloatFormCaptionEvent OnSetFloatFormCaption;

 protected:
  void CheckDockClientsRules() override {}
  void ChildVisibilityChanged(TdxCustomDockControl* child) override;
  void AdjustControlBounds(TdxCustomDockControl* control) override;
  void UpdateControlOriginalSize(TdxCustomDockControl* control) override;
 public:
  void CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) override;
  void DestroyLayout(TdxCustomDockControl* control) override;
 protected:
  void WMNCHitTest(TMessage& m) override { m.Result = HTTRANSPARENT; }

 private:
  friend class TdxFloatForm;
  TdxFloatForm* floatForm_ = nullptr;
  Integer floatLeft_ = 0, floatTop_ = 0, floatWidth_ = 0, floatHeight_ = 0;
};

// The sizeable tool window a float site lives in. A press on its caption followed by a move
// starts drag docking of the floating control; a double click re-docks it; its close box
// closes the control.
class TdxFloatForm : public TCustomForm {
  KORVAN_CLASS(TdxFloatForm, TCustomForm)

 public:
  explicit TdxFloatForm(TComponent* owner);
  ~TdxFloatForm() override;
  TdxFloatDockSite* FloatSite() const { return floatSite_; }
  void AttachSite(TdxFloatDockSite* site);
  void DetachSite();
  bool OnTop() const { return onTop_; }
  void SetOnTop();
  void ClearOnTop();

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void WndProc(TMessage& message) override;

 private:
  bool siteAttached_ = false, captionPressed_ = false, onTop_ = false;
  TPoint pressPoint_;
  Integer pendingClientWidth_ = -1, pendingClientHeight_ = -1;
  TdxFloatDockSite* floatSite_ = nullptr;
  friend class TdxFloatDockSite;
};

// ---- the docking manager -------------------------------------------------------------------

// Default properties that the manager gives every site docking creates, one set per kind of
// site; a set is assigned through the site's own setters.
class TdxCustomDockControlProperties : public TPersistent {
  KORVAN_CLASS(TdxCustomDockControlProperties, TPersistent)

 public:
  explicit TdxCustomDockControlProperties(TdxDockingManager* owner) : owner_(owner) {}
  TdxDockingManager* Owner() const { return owner_; }
  void Assign(TPersistent* source) override;
  // Sets the values on a dock control.
  virtual void AssignTo(TdxCustomDockControl* control) const;

  TdxDockingTypes AllowDock = dxDockingTypesAll;
  TdxDockingTypes AllowDockClients = dxDockingTypesAll;
  bool AllowFloating = true;
  TdxCaptionButtons CaptionButtons = {cbMaximize, cbHide, cbClose};
  bool Dockable = true;
  Integer ImageIndex = -1;
  bool ShowCaption = true;
  TColor Color = clBtnFace;
  bool ManagerColor = true;
  bool ManagerFont = true;
  bool ShowHint = false;
  String Hint;
  Integer Tag = 0;

 private:
  TdxDockingManager* owner_;
};

class TdxLayoutDockSiteProperties : public TdxCustomDockControlProperties {
  KORVAN_CLASS(TdxLayoutDockSiteProperties, TdxCustomDockControlProperties)
 public:
  using TdxCustomDockControlProperties::TdxCustomDockControlProperties;
};

class TdxSideContainerDockSiteProperties : public TdxCustomDockControlProperties {
  KORVAN_CLASS(TdxSideContainerDockSiteProperties, TdxCustomDockControlProperties)
 public:
  using TdxCustomDockControlProperties::TdxCustomDockControlProperties;
};

class TdxTabContainerDockSiteProperties : public TdxCustomDockControlProperties {
  KORVAN_CLASS(TdxTabContainerDockSiteProperties, TdxCustomDockControlProperties)
 public:
  using TdxCustomDockControlProperties::TdxCustomDockControlProperties;
  void Assign(TPersistent* source) override;
  void AssignTo(TdxCustomDockControl* control) const override;
  TdxTabContainerTabsPosition TabsPosition = tctpBottom;
  bool TabsScroll = true;
};

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
  // Default properties of created float sites: which dock types they accept from clients.
  TdxDockingTypes DefaultFloatSiteAllowDockClients() const { return floatSiteAllowDockClients_; }
  void SetDefaultFloatSiteAllowDockClients(TdxDockingTypes v) { floatSiteAllowDockClients_ = v; }
  // Default properties of created containers (assigning copies into the manager's set).
  TdxSideContainerDockSiteProperties* DefaultHorizContainerSiteProperties() const { return horizProperties_.get(); }
  void SetDefaultHorizContainerSiteProperties(TdxSideContainerDockSiteProperties* v) { horizProperties_->Assign(v); }
  TdxSideContainerDockSiteProperties* DefaultVertContainerSiteProperties() const { return vertProperties_.get(); }
  void SetDefaultVertContainerSiteProperties(TdxSideContainerDockSiteProperties* v) { vertProperties_->Assign(v); }
  TdxTabContainerDockSiteProperties* DefaultTabContainerSiteProperties() const { return tabProperties_.get(); }
  void SetDefaultTabContainerSiteProperties(TdxTabContainerDockSiteProperties* v) { tabProperties_->Assign(v); }
  // The caption, tab and hide-bar images.
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);

  virtual TdxDockControlPainterClass GetPainterClass();
  void ReleasePainterClass() { painterClass_ = nullptr; }

  TNotifyEvent OnActiveDockControlChanged;
  TdxCreateLayoutSiteEvent OnCreateLayoutSite;
  TdxCreateLayoutSiteEvent OnCreateSideContainer;
  TdxCreateLayoutSiteEvent OnCreateTabContainer;
  TdxDockControlNotifyEvent OnLayoutChanged;
  TNotifyEvent OnViewChanged;
  TdxCreateLayoutSiteEvent OnCreateFloatSite;
  TdxSetFloatFormCaptionEvent OnSetFloatFormCaption;
  TdxCustomDrawSelectionEvent OnCustomDrawDockingSelection;
  TdxCustomDrawSelectionEvent OnCustomDrawResizingSelection;
  TdxUpdateZonesEvent OnUpdateDockZones;
  TdxUpdateZonesEvent OnUpdateResizeZones;

 protected:
  void Notification(TComponent* c, TOperation operation) override;

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
  TdxDockingTypes floatSiteAllowDockClients_ = dxDockingTypesAll;
  TdxDockControlPainterClass painterClass_ = nullptr;
  std::unique_ptr<TcxLookAndFeel> lookAndFeel_;
  std::unique_ptr<TdxSideContainerDockSiteProperties> horizProperties_, vertProperties_;
  std::unique_ptr<TdxTabContainerDockSiteProperties> tabProperties_;
  TCustomImageList* images_ = nullptr;
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
  // The float site whose float form has its caption under the screen point.
  TdxFloatDockSite* FloatSiteAtPos(TPoint p) const;

  // Drag state.
  TdxCustomDockControl* DockingControl() const { return dockingControl_; }
  TdxCustomDockControl* ResizingControl() const { return resizingControl_; }
  void CancelDocking();
  void CancelResizing();

  // Float forms with their forms (a nil form: every form).
  void HideFloatForms(TCustomForm* form);
  void ShowFloatForms(TCustomForm* form);
  void SetFloatFormsOnTop(TCustomForm* form, bool onTop);

  // Layout sections: a control's section (named by its index here) and its children's.
  void SaveControlLayout(TCustomIniFile* store, TdxCustomDockControl* control);
  // Reads the section into the form's control of the stored name, creating it from its
  // stored class when the form lacks it; a nil form is found from the section.
  void LoadControlLayout(TCustomIniFile* store, TCustomForm* form, const String& section,
                         TdxCustomDockControl* parentSite);
  // Saves every control of the form without a parent dock control; loads them back after
  // checking the whole store (a damaged one raises and changes nothing).
  void SaveLayoutToIniFile(TCustomIniFile* store, TCustomForm* form);
  void LoadLayoutFromIniFile(TCustomIniFile* store, TCustomForm* form);
  // The same over a UTF-8 file: written beside it and renamed over it; a missing file raises
  // the platform's open error.
  void SaveLayoutToIniFile(const String& fileName, TCustomForm* form);
  void LoadLayoutFromIniFile(const String& fileName, TCustomForm* form);

  // Per-form values, with the fallbacks of a form without a manager.
  TColor Color(TCustomForm* form) const;
  TFont* Font(TCustomForm* form) const;
  TdxDockingOptions Options(TCustomForm* form) const;
  Integer DockZonesWidth(TCustomForm* form) const;
  Integer ResizeZonesWidth(TCustomForm* form) const;
  Integer AutoHideInterval(TCustomForm* form) const;
  Integer AutoShowInterval(TCustomForm* form) const;
  Integer TabsScrollInterval(TCustomForm* form) const;
  Integer AutoHideMovingInterval(TCustomForm* form) const;
  Integer AutoHideMovingSize(TCustomForm* form) const;
  TCustomImageList* Images(TCustomForm* form) const;
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
  // The off-screen bitmap frames are painted on, at least as large as r; its canvas.
  TCanvas* PrepareFrameBitmap(const TRect& r);
  TCanvas* FrameCanvas() const;

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
  friend class TdxContainerDockSite;
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
  std::unique_ptr<TBitmap> frameBitmap_;
  TdxCustomDockControl* activeDockControl_ = nullptr;
  TdxCustomDockControl* activatingControl_ = nullptr;
  TdxCustomDockControl* dockingControl_ = nullptr;
  TdxCustomDockControl* resizingControl_ = nullptr;
  HHOOK keyHook_ = nullptr;
  friend class TdxCustomDockControl;
  void StartKeyTracking();
  void StopKeyTracking();
  static LRESULT KeyHookProc(int code, WPARAM wParam, LPARAM lParam);
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
constexpr UINT DXM_DOCK_HIDEFLOATFORM = 0x8066;
constexpr UINT DXM_DOCK_SHOWFLOATFORM = 0x8067;
