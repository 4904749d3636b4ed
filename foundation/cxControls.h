// The control base of the library and its shared services:
// - helpers: monitor work areas, window and point conversions, character tests, popup-menu
//   calls that accept the library's popup-menu interface, the nested hourglass cursor;
// - TcxMessageWindow, TcxTimer (all timers share one hidden window), mouse-leave tracking
//   and the popup window base TcxPopupWindow;
// - TcxControl: a custom control with a TcxCanvas, a look and feel painting its border,
//   painted scroll bars with a size grip, middle-button panning, wheel scrolling, internal
//   drag and drop and the framework drag, and one guarded input path (a handler that
//   destroys the control ends the processing of the message);
// - TcxControlChildComponent, the base of components that belong to a control.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "foundation/cxClasses.h"
#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/cxScrollBar.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"

class TcxControl;

// Private message: the system scroll-bar metrics may have changed.
constexpr UINT CM_CXSYSTEMMETRICSCHANGED = 0x8131;

// Screen cursors registered by the unit start.
constexpr TCursor crDragCopy = 2100, crFullScroll = 2101, crHorScroll = 2102, crVerScroll = 2103,
                  crUpScroll = 2104, crRightScroll = 2105, crDownScroll = 2106, crLeftScroll = 2107,
                  crcxRemove = 2108, crcxVertSize = 2109, crcxHorzSize = 2110, crcxMultiDrag = 2111,
                  crcxNoDrop = 2112, crcxDrag = 2113, crcxColorPicker = 2114, crcxHandPoint = -2099;

// ---- interfaces ----------------------------------------------------------------------------

// A popup menu of the library (any component may offer it).
class IcxPopupMenu {
 public:
  virtual ~IcxPopupMenu() = default;
  virtual bool IsShortCut(const TWMKey& message) = 0;
  virtual void Popup(Integer x, Integer y) = 0;
};

class IcxFontListener {
 public:
  virtual ~IcxFontListener() = default;
  virtual void FontChanged(TObject* sender, TFont* font) = 0;
};

class IcxMouseCaptureObject {
 public:
  virtual ~IcxMouseCaptureObject() = default;
  virtual void DoCancelMode() = 0;
};

class IcxMouseTrackingCaller {
 public:
  virtual ~IcxMouseTrackingCaller() = default;
  virtual void MouseLeave() = 0;
};

// A tracked caller that knows its own area of the control (a grid cell).
class IcxMouseTrackingArea : public IcxMouseTrackingCaller {
 public:
  virtual bool PtInCaller(const TPoint& p) = 0;
};

class IcxLookAndFeelContainer {
 public:
  virtual ~IcxLookAndFeelContainer() = default;
  virtual TcxLookAndFeel* GetLookAndFeel() = 0;
};

// ---- helpers -------------------------------------------------------------------------------

// Work area of the monitor nearest the point (the desktop work area when monitors are not
// known).
void MonitorWorkAreaAt(const TPoint& p, TRect& workArea);
// Moves the rectangle into the work area of the monitor at the point; the left and top edges
// win for a rectangle larger than the area.
void FitRectIntoWorkArea(TRect& r, const TPoint& p);
// Client coordinates of one window to another's (null: the screen).
void ConvertPointBetweenWindows(HWND from, HWND to, TPoint& p);
void ConvertRectBetweenWindows(HWND from, HWND to, TRect& r);
void QueryCursorPos(TPoint& p);
bool HasChildWindowStyle(HWND wnd);
bool IsSameOrChildWindow(HWND wnd, HWND other);
bool HandleCanBeCreated(TWinControl* control);
// Both distances from the start point strictly below the system drag threshold.
bool WithinDragThreshold(const TPoint& start, Integer x, Integer y);
Integer SystemDoubleClickTime();

// Kind 1 also accepts the decimal separator; kind 2 also "e" and "E".
bool IsNumberInputChar(char32_t c, Integer kind);
bool IsTextChar(char32_t c);
// "&x" gives "x", "&&" gives "&", a final "&" gives "_".
String StripAccelChars(const String& text);
// MK_ flags of a shift state (shift 4, ctrl 8, left 1, right 2, middle 16).
Word ShiftStateToMouseKeys(const TShiftState& shift);
Word MapKeyCode(Word key);
bool IsCtrlDown();

void PushHourglassCursor();
void PopHourglassCursor();
bool MenuHandlesShortCut(TComponent* menu, const TWMKey& message);
bool InvokePopupMenu(TComponent* caller, TComponent* menu, Integer x, Integer y);
Integer EstimatePopupMenuHeight(TPopupMenu* menu);
void SetFormFontScaled(TCustomForm* form, TFont* font);
void NotifyFormDesigner(TComponent* component);
bool IsComponentLoading(TComponent* component);
void InvalidateControlRect(TWinControl* control, const TRect& r, bool erase);
void RedrawWithChildrenNow(TWinControl* control);

// ---- message window, timers, mouse tracking ------------------------------------------------

// Owns one hidden window; subclasses handle its messages.
class TcxMessageWindow : public TObject {
  KORVAN_CLASS(TcxMessageWindow, TObject)

 public:
  TcxMessageWindow();
  ~TcxMessageWindow() override;
  HWND Handle() const { return handle_; }

 protected:
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  HWND handle_ = nullptr;
};

// The shared message window (owner window of popups), made on first use.
TcxMessageWindow* SharedMessageWindow();

// A timer whose platform timers all live on one hidden window; its identifier is the
// object itself. It runs while Enabled, OnTimer is assigned and the platform accepted it.
class TcxTimer : public TComponent {
  KORVAN_CLASS(TcxTimer, TComponent)

 public:
  explicit TcxTimer(TComponent* owner);
  ~TcxTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  Cardinal Interval() const { return interval_; }
  // 0 and an unchanged value are ignored; any other value restarts the period.
  void SetInterval(Cardinal v);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent handler);
  bool TimerRunning() const { return running_; }
  UINT_PTR TimerId() const { return reinterpret_cast<UINT_PTR>(this); }
  virtual void FireTimer();

 private:
  void RestartTimer();
  bool enabled_ = true;
  Cardinal interval_ = 1000;
  bool running_ = false;
  TNotifyEvent onTimer_;
};

// A 10 ms timer per tracked caller that reports when the mouse left it.
class TMouseTrackingTimer : public TcxTimer {
  KORVAN_CLASS(TMouseTrackingTimer, TcxTimer)

 public:
  explicit TMouseTrackingTimer(TComponent* owner);
  IcxMouseTrackingCaller* TrackedCaller = nullptr;
  TWinControl* TrackedControl = nullptr;
  TRect TrackedBounds;  // screen coordinates
  TWeakRef<TWinControl> TrackedControlRef;

 private:
  void Tick(TObject* sender);
};

// Starts tracking (bounds in the control's client coordinates, or screen coordinates
// without a control); nothing when the caller is tracked already.
void BeginMouseTracking(TWinControl* control, const TRect& bounds, IcxMouseTrackingCaller* caller);
void EndMouseTracking(IcxMouseTrackingCaller* caller);
bool IsMouseTracked(IcxMouseTrackingCaller* caller);
Integer MouseTrackingTimerCount();

// The unit end's work on the shared services: leftover tracking timers are freed (a caller
// that forgot to end its tracking must not break the shut-down), then the settings
// controller, the timer window, the active-timer list and the shared message window. The
// services are made again on their next use.
void FinalizeCxControlsServices();

// ---- popup window base ---------------------------------------------------------------------

class TcxPopupWindow : public TForm {
  KORVAN_CLASS(TcxPopupWindow, TForm)

 public:
  explicit TcxPopupWindow(TComponent* owner = nullptr);
  ~TcxPopupWindow() override;

  virtual TPoint CalculatePlacement();
  virtual void SizeToContent();
  virtual Integer FrameExtent(Integer side);
  virtual void AdjustClientBounds(TRect& r);
  virtual Integer FrameLineWidth(Integer side);
  virtual TRect GetAnchorScreenBounds();
  virtual void InitFont();
  virtual void DrawFrame();
  virtual void CloseUp();
  virtual void Popup();
  virtual void VisibilityChanged() {}

  bool SizeToChildren() const { return sizeToChildren_; }
  void SetSizeToChildren(bool v) { sizeToChildren_ = v; }
  Byte HorzAlignment() const { return horzAlignment_; }
  void SetHorzAlignment(Byte v) { horzAlignment_ = v; }
  Byte VertAlignment() const { return vertAlignment_; }
  void SetVertAlignment(Byte v) { vertAlignment_ = v; }
  Integer FrameSpacing() const { return frameSpacing_; }
  void SetFrameSpacing(Integer v) { frameSpacing_ = v; }
  Byte FrameStyle() const { return frameStyle_; }
  void SetFrameStyle(Byte v);
  Byte OpenDirection() const { return openDirection_; }
  void SetOpenDirection(Byte v) { openDirection_ = v; }
  TColor FrameLineColor() const { return frameLineColor_; }
  void SetFrameLineColor(TColor v) { frameLineColor_ = v; }
  TRect AnchorBounds() const { return anchorBounds_; }
  void SetAnchorBounds(const TRect& r) { anchorBounds_ = r; }
  TControl* AnchorParent() const { return anchorParent_; }
  void SetAnchorParent(TControl* c) { anchorParent_ = c; }
  HWND LastActiveWindow() const { return lastActiveWindow_; }
  TcxCanvas* FormCanvas() const { return formCanvas_.get(); }
  Integer HorzFrameExtent() { return FrameExtent(0) + FrameExtent(2); }
  void MoveChildrenBack();

  void WndProc(TMessage& m) override;
  void CMVisibleChanged(TMessage& m) override;

 protected:
  void Deactivate() override;
  void Paint() override;

 private:
  bool sizeToChildren_ = true;
  Byte horzAlignment_ = 0;
  Byte vertAlignment_ = 2;
  Integer frameSpacing_ = 0;
  Byte frameStyle_ = 0;
  std::unique_ptr<TcxCanvas> formCanvas_;
  Byte openDirection_ = 1;
  TColor frameLineColor_ = clWindowText;
  TRect anchorBounds_;
  TControl* anchorParent_ = nullptr;
  HWND lastActiveWindow_ = nullptr;
};

// ---- scroll parts --------------------------------------------------------------------------

// The state of a control scroll bar computed during a refresh, applied at its end.
struct TcxPendingBarState {
  Integer Min = 0;
  Integer Max = 100;
  Integer Position = 0;
  Integer PageSize = 0;
  Word SmallChange = 1;
  Word LargeChange = 1;
  bool Enabled = true;
  bool Visible = false;
  bool Allowed = false;
  bool HideWhenFits = false;
};

class TcxControlScrollBar : public TcxScrollBar {
  KORVAN_CLASS(TcxControlScrollBar, TcxScrollBar)

 public:
  explicit TcxControlScrollBar(TComponent* owner);
  TcxPendingBarState& Pending() { return pending_; }
  bool IsBarVisible() const { return Visible(); }
  void ApplyPendingState();
  void FocusOwnerControl();
  void WndProc(TMessage& m) override;

 private:
  TcxPendingBarState pending_;
};

// The square between the two bars: filled with its colour.
class TcxSizeGrip : public TCustomControl {
  KORVAN_CLASS(TcxSizeGrip, TCustomControl)

 public:
  explicit TcxSizeGrip(TComponent* owner);

 protected:
  void Paint() override;
};

// ---- drag and drop -------------------------------------------------------------------------

enum TcxDragPhase : Byte { dphNone, dphPending, dphActive };

class TcxDragAndDropObject;
using TcxDragAndDropObjectClass = std::function<TcxDragAndDropObject*(TcxControl* control)>;

// The object an internal drag moves: draws its own feedback and decides acceptance.
class TcxDragAndDropObject : public TObject {
  KORVAN_CLASS(TcxDragAndDropObject, TObject)

 public:
  explicit TcxDragAndDropObject(TcxControl* control);

  TcxCanvas* FeedbackCanvas() const { return feedbackCanvas_; }
  TcxControl* OwnerControl() const { return ownerControl_; }
  bool DirtyState() const { return dirtyState_; }
  TPoint LastPoint() const { return lastPoint_; }
  TPoint PreviousPoint() const { return previousPoint_; }

  virtual void DirtyToggled() {}
  virtual TCursor CursorFor(bool accepted) { return accepted ? crDrag : crNoDrop; }
  virtual bool StartsImmediately() { return false; }
  virtual void FinishDrag(bool accepted) {}
  virtual void StartDrag() { DirtyToggled(); }
  virtual void MoveDrag(const TPoint& p, bool& accepted);
  virtual void BeforeFinishDrag(bool accepted) { dirtyState_ = true; }

  void UpdateDirty(bool value);
  void BeginAtCursor();
  void MoveTo(const TPoint& p, bool& accepted);
  void EndWith(bool accepted);

 private:
  TcxCanvas* feedbackCanvas_;
  TcxControl* ownerControl_;
  bool dirtyState_ = false;
  TPoint lastPoint_{-1, -1};
  TPoint previousPoint_{-1, -1};
};

// The framework drag object of a TcxControl: frees itself when the drag ends and shows the
// copy cursor when the source asks for a copy.
class TcxDragControlObject : public TDragControlObject {
  KORVAN_CLASS(TcxDragControlObject, TDragControlObject)

 public:
  using CreateArgType = TControl*;
  // The framework frees the object when the drag has finished (after Finished).
  explicit TcxDragControlObject(TControl* control) : TDragControlObject(control) { autoCreated_ = true; }
  TCursor GetDragCursor(bool accepted, Integer x, Integer y) override;
};

class TcxDragImageList : public TDragImageList {
  KORVAN_CLASS(TcxDragImageList, TDragImageList)

 public:
  using TDragImageList::TDragImageList;
};

// Modal loop before a framework drag: 1 the mouse left the threshold square, 0 a button was
// released, 2 Esc or the capture was lost.
Integer DetectDragStart(HWND wnd);

// ---- the control ---------------------------------------------------------------------------

enum TcxControlBorderStyle { cxcbsNone, cxcbsDefault };
enum TcxWantedKey { wkAll, wkArrows, wkChars, wkTab };
using TcxWantedKeys = TSet<TcxWantedKey, 8>;

class TcxControl : public TCustomControl, public IcxLookAndFeelContainer {
  KORVAN_CLASS(TcxControl, TCustomControl)

 public:
  explicit TcxControl(TComponent* owner);
  ~TcxControl() override;
  void BeforeDestruction() override;

  // IcxLookAndFeelContainer
  TcxLookAndFeel* GetLookAndFeel() override { return LookAndFeelObject(); }

  // Published.
  TcxControlBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TcxControlBorderStyle v);
  TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  void SetLookAndFeel(TcxLookAndFeel* v) { lookAndFeel_->Assign(v); }
  TComponent* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TComponent* v);
  TNotifyEvent OnFocusChanged;

  // State.
  TcxCanvas* Canvas() const { return paintCanvas_.get(); }
  TcxCanvas* CanvasForDrawing();
  bool IsBeingDestroyed() const;
  void EnterDestroyingState();
  TcxWantedKeys WantedKeys() const { return wantedKeys_; }
  void SetWantedKeys(const TcxWantedKeys& v) { wantedKeys_ = v; }
  TObject* MouseCaptureHolder() const { return captureHolder_; }
  void SetMouseCaptureHolder(TObject* holder);
  bool ButtonHeld() const { return buttonHeld_; }
  TPoint DownPoint() const { return downPoint_; }
  bool ClickFocuses() const { return clickFocuses_; }
  void SetClickFocuses(bool v) { clickFocuses_ = v; }
  TCursor StandardCursor() const { return standardCursor_; }
  bool RightButtonUpInProgress() const { return rightButtonUpInProgress_; }
  TRect FixedBounds() const { return fixedBounds_; }
  void SetFixedBounds(const TRect& r) { fixedBounds_ = r; }

  void AddFontListener(IcxFontListener* listener);
  void RemoveFontListener(IcxFontListener* listener);
  void NotifyDesignerModified();
  void InvalidateRegion(TcxRegion* region, bool erase);
  void InvalidateWithChildren();
  void ScrollClientArea(Integer dx, Integer dy, const TRect& r);
  void PostMouseMoveAtCursor();
  void PostMouseMove(const TPoint& p);
  bool PopupMenuTakesShortCut(const TWMKey& message);
  bool IsWithinDragThreshold(Integer x, Integer y) { return WithinDragThreshold(downPoint_, x, y); }

  // Virtual operations.
  virtual bool ShowPopupMenuAt(TComponent* menu, Integer x, Integer y);
  virtual void ParentBackgroundToggled() {}
  virtual void BeforeMouseDown(TMouseButton button, Integer x, Integer y);
  virtual bool AllowsDesignTimeDrag(Integer x, Integer y, TShiftState shift) { return true; }
  virtual void PreviewMouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {}
  virtual void RaiseScrollParts();
  virtual void EndMouseOperation();
  virtual bool FocusesOnClick();
  virtual bool FocusesOnClickAt(Integer x, Integer y) { return FocusesOnClick(); }
  virtual bool FocusesOnScrollBarClick(TcxControlScrollBar* bar) { return FocusesOnClick(); }
  virtual Integer FrameWidth();
  virtual void ControlBounds(TRect& r);
  virtual void ContentBounds(TRect& r);
  virtual TCursor GetCursorAt(Integer x, Integer y) { return standardCursor_; }
  virtual bool InDesignMode() { return ComponentState().Contains(csDesigning); }
  virtual bool HasFocus() { return Focused(); }
  virtual Integer WheelScrollKind() { return IsVScrollBarShown() ? 2 : 0; }
  virtual bool ErasesBackground() { return false; }
  virtual void ParentInternalControls() { ParentScrollParts(); }
  virtual bool IsOwnScrollPart(TControl* c);
  virtual TcxLookAndFeel* LookAndFeelObject() { return lookAndFeel_.get(); }
  virtual TcxCustomLookAndFeelPainterClass CurrentPainter();
  virtual void LookAndFeelUpdated(TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed) {}
  virtual void HScrollBarRect(TRect& r);
  virtual void SizeGripRect(TRect& r);
  virtual void VScrollBarRect(TRect& r);
  virtual void ComputeScrollBarData() {}
  virtual bool CanHideBothScrollBars(TScrollBarKind kind) { return false; }
  virtual bool WantsScrollBars() { return true; }
  virtual bool KeepsScrollPartsOnTop() { return true; }
  virtual void PanScroll(TScrollBarKind kind, TScrollCode code, Integer& position) {}
  virtual void PlaceScrollParts();
  virtual void RefreshScrollBars();
  virtual TcxDragAndDropObjectClass DragObjectClass();
  virtual void DrawDragImage(TcxCanvas* canvas, const TRect& r) {}
  virtual TClass DragImagesClass() { return TcxDragImageList::StaticClass(); }
  virtual void DragImagesExtent(TSize& size) { size = TSize(0, 0); }
  virtual bool IsCopyDrag() { return IsCtrlDown(); }
  virtual bool UsesDragImages() { return false; }
  virtual void FillDragImages(TDragImageList* list);
  virtual bool CanTakeFocus();
  virtual bool MayStartDrag(Integer x, Integer y);

  // Hooks (dynamic operations).
  virtual bool ProcessesClickWithoutFocus() { return false; }
  virtual void HandleBoundsChange() { RefreshScrollBars(); }
  virtual bool AllowsVclDragStart(Integer x, Integer y) { return dragPhase_ == dphNone; }
  virtual void HandleCursorChange() { standardCursor_ = Cursor(); }
  virtual void CancelMouseOperation();
  virtual void NotifyFocusChanged();
  virtual void HandleFontChange();
  virtual bool WantsDesignTimeMouse(Integer x, Integer y, TShiftState shift);
  virtual TClass VclDragObjectClass() { return TcxDragControlObject::StaticClass(); }
  virtual bool MayFocus() { return true; }
  virtual void NotifyMouseEnter(TControl* control);
  virtual void NotifyMouseLeave(TControl* control);
  virtual void HandleTextChange() {}
  virtual void HandleColorChange() {}
  virtual void HandleVisibilityChange() {}
  virtual void HandleSystemMetricsChange();
  virtual void TrackDragAndDrop(const TPoint& p, bool& accepted);
  virtual void StopDragAndDrop(bool accepted);
  virtual bool CanStartDragAndDrop(const TPoint& p) { return false; }
  virtual void BeginDragAndDropMode();
  virtual bool AllowsVclDragObject(TDragObject* dragObject) { return true; }

  // Child components.
  virtual void AdoptChildComponent(class TcxControlChildComponent* child);
  virtual void ReleaseChildComponent(class TcxControlChildComponent* child);

  // Scroll bars.
  TScrollStyle ScrollBarsSetting() const { return scrollBars_; }
  void ChangeScrollBarsSetting(TScrollStyle v);
  TcxControlScrollBar* HorizontalBar() const { return hBar_; }
  TcxControlScrollBar* VerticalBar() const { return vBar_; }
  TcxSizeGrip* SizeGripPart() const { return sizeGrip_; }
  void StoreScrollBarParams(TScrollBarKind kind, Integer min, Integer max, Integer smallChange, Integer pageSize,
                            Integer position, bool allowed, bool hideWhenFits);
  bool IsHScrollBarShown();
  bool IsVScrollBarShown();
  void BeginScrollBarsUpdate();
  void EndScrollBarsUpdate();
  void CreateScrollParts();
  void DestroyScrollParts();
  void SyncScrollPartsExistence();
  void ParentScrollParts();
  void HandleBarScroll(TObject* sender, TScrollCode code, Integer& position);
  void ScrollContentStep(Integer direction);
  void RunPanningLoop();
  bool Panning() const { return panning_; }
  bool ComputingScrollLayout() const { return computingScrollLayout_; }

  // Drag and drop.
  TcxDragPhase DragPhase() const { return dragPhase_; }
  void SetDragPhase(TcxDragPhase v);
  TcxDragAndDropObject* DragOperation() const { return dragOperation_; }
  void SetDragOperationClass(TcxDragAndDropObjectClass cls) { dragOperationClass_ = std::move(cls); }
  TcxDragAndDropObject* EnsureDragAndDropObject();
  void CompleteDragAndDrop(bool accepted);
  TDragImageList* DragImageList() const { return dragImageList_.get(); }
  void HideVclDragImage();
  void ShowVclDragImage();

  // Framework messages the control handles.
  void WndProc(TMessage& m) override;
  void Dispatch(TMessage& m) override;
  void WMCancelMode(TMessage& m) override;
  void WMContextMenu(TMessage& m) override;
  void WMEraseBkgnd(TMessage& m) override;
  void WMGetDlgCode(TMessage& m) override;
  void WMPaint(TMessage& m) override;
  void WMSetCursor(TMessage& m) override;
  void CMColorChanged(TMessage& m) override;
  void CMCursorChanged(TMessage& m) override;
  void CMFontChanged(TMessage& m) override;
  void CMMouseEnter(TMessage& m) override;
  void CMMouseLeave(TMessage& m) override;
  void CMTextChanged(TMessage& m) override;
  void CMVisibleChanged(TMessage& m) override;
  void CNKeyDown(TMessage& m) override;

 protected:
  friend class TcxControlChildComponent;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void PaintWindow(HDC dc) override;
  virtual void PaintBorderAndContent();
  void Resize() override;
  void Notification(TComponent* c, TOperation op) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  bool DoMouseWheel(TShiftState shift, Integer delta, TPoint mousePos) override;
  void DoContextPopup(TPoint mousePos, bool& handled) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void DoStartDrag(TDragObject*& dragObject) override;
  void DoEndDrag(TObject* target, Integer x, Integer y) override;
  void DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) override;
  TDragImageList* DoGetDragImages() override;
  TPoint MessagePoint(const TMessage& m);
  void CorrectHugePoint(Integer& x, Integer& y);

 private:
  void ComputeScrollLayout();
  void HideBothBarsWhenPossible();
  void PanningDirection(const TPoint& p, const TPoint& anchor, Integer bitmapWidth, bool& moved,
                        Integer& direction, Integer& speed);
  TCursor PanningCursor(Integer direction);

  std::unique_ptr<TcxCanvas> measuringCanvas_;
  TcxControlBorderStyle borderStyle_ = cxcbsDefault;
  bool computingScrollLayout_ = false;
  std::unique_ptr<TcxCanvas> paintCanvas_;
  bool windowBeingCreated_ = false;
  TCursor standardCursor_ = crDefault;
  TcxDragAndDropObject* dragOperation_ = nullptr;
  TcxDragAndDropObjectClass dragOperationClass_;
  TCursor cursorBeforeDrag_ = crDefault;
  TcxDragPhase dragPhase_ = dphNone;
  std::unique_ptr<TDragImageList> dragImageList_;
  bool endingDrag_ = false;
  bool clickFocuses_ = true;
  std::vector<IcxFontListener*> fontListeners_;
  TcxControlScrollBar* hBar_ = nullptr;
  bool startHorzVisible_ = false, startVertVisible_ = false;
  bool replayingStartState_ = false;
  std::vector<std::pair<bool, bool>> seenBarStates_;
  TcxWantedKeys wantedKeys_;
  std::unique_ptr<TcxLookAndFeel> lookAndFeel_;
  bool buttonHeld_ = false;
  TObject* captureHolder_ = nullptr;
  TPoint downPoint_;
  bool rightButtonUpInProgress_ = false;
  TComponent* popupMenu_ = nullptr;
  TScrollStyle scrollBars_ = ssBoth;
  Integer barsLockCount_ = 0;
  bool barsRefreshPending_ = false;
  TcxSizeGrip* sizeGrip_ = nullptr;
  bool refreshingBars_ = false;
  TcxControlScrollBar* vBar_ = nullptr;
  bool panning_ = false;
  bool knownParentBackground_ = true;
  TRect fixedBounds_;
  bool destroying_ = false;
};

// A component that belongs to a control (grid views).
class TcxControlChildComponent : public TcxComponent {
  KORVAN_CLASS(TcxControlChildComponent, TcxComponent)

 public:
  explicit TcxControlChildComponent(TComponent* owner);
  ~TcxControlChildComponent() override;
  // Made for a control: owned by the control's owner when ownedByControlOwner is set.
  static TcxControlChildComponent* CreateForControl(TClass cls, TcxControl* control, bool ownedByControlOwner = true);

  TcxControl* OwnerControl() const { return ownerControl_; }
  virtual bool BeingDestroyed() { return ComponentState().Contains(csDestroying); }
  virtual void InitSubobjects() {}
  virtual void BindControl(TcxControl* control) { ownerControl_ = control; }
  bool BeingLoaded() const { return ComponentState().Contains(csLoading); }

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;

 private:
  TcxControl* ownerControl_ = nullptr;
};

// Unit start: the painters (and through them the theme layer and the look and feel), then
// the library's cursors; its end frees the shared services (FinalizeCxControlsServices).
void InitializeCxControls();
