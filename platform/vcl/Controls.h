// Controls: TControl (a rectangle on a parent with font, colour, text, mouse events and
// message dispatch), TWinControl (owns a window of the window manager, children, focus, tab
// order, alignment and anchors, keyboard), TCustomControl and TGraphicControl (the painting
// bases), the control canvas, the mouse, the drag manager and the hint window.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "rtl/Classes.h"
#include "user/Windows.h"
#include "vcl/ControlMessages.h"
#include "vcl/Graphics.h"

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
class TDragObject;
class TDragImageList;

// ---- types ---------------------------------------------------------------------------------

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
using TAlignSet = TSet<TAlign, 8>;
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind, 4>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem, 8>;
enum TControlStyleItem {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed,
  csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible,
  csReplicatable, csNoStdEvents, csDisplayDragImage, csReflector, csActionClient,
  csMenuEvents, csNeedsBorderPaint, csParentBackground
};
using TControlStyle = TSet<TControlStyleItem, 32>;
enum TControlStateItem {
  csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing,
  csCreating, csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking
};
using TControlState = TSet<TControlStateItem, 16>;
// Form border styles; a control's BorderStyle uses the first two.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
struct TTypeInfo;
// TBorderStyle as the controls publish it (bsNone and bsSingle).
const TTypeInfo* BorderStyleTypeInfo();
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TDragKind { dkDrag, dkDock };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
// Scroll bars: kind, the codes a scroll event reports, and the line step (1..32767).
enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollBarInc = SmallInt;
using TScrollEvent = std::function<void(TObject* sender, TScrollCode scrollCode, Integer& scrollPos)>;
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using TBevelWidth = Integer;
using TCaption = String;
using TKeyboardState = Byte[256];

// Cursors: negative ids are the standard ones; positive ids are registered by programs.
using TCursor = SmallInt;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSize = -22, crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8,
                  crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crDrag = -12,
                  crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16,
                  crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22;

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, Integer x, Integer y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, Integer x, Integer y)>;
using TKeyEvent = std::function<void(TObject* sender, Word& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char32_t& key)>;
using TMouseWheelEvent = std::function<void(TObject* sender, TShiftState shift, Integer wheelDelta, TPoint mousePos, bool& handled)>;
using TContextPopupEvent = std::function<void(TObject* sender, TPoint mousePos, bool& handled)>;
using TDragOverEvent = std::function<void(TObject* sender, TObject* source, Integer x, Integer y, TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, Integer x, Integer y)>;
using TStartDragEvent = std::function<void(TObject* sender, TDragObject*& dragObject)>;
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, Integer x, Integer y)>;
using TCanResizeEvent = std::function<void(TObject* sender, Integer& newWidth, Integer& newHeight, bool& resize)>;

// The shift state of a mouse message's key flags, or of the keyboard now.
TShiftState KeysToShiftState(Word keys);
TShiftState KeyDataToShiftState(NativeInt keyData);
TShiftState GetShiftState();

// Key messages as controls see them.
struct TWMKey {
  Word CharCode;
  NativeInt KeyData;
};

// The creation parameters of a control's window.
struct TCreateParams {
  String Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  Integer X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  UINT WindowClassStyle = CS_DBLCLKS;
  String WinClassName;
};

// Minimum and maximum sizes of a control (0: no limit).
class TSizeConstraints : public TPersistent {
  KORVAN_CLASS(TSizeConstraints, TPersistent)

 public:
  explicit TSizeConstraints(TControl* control) : control_(control) {}
  Integer MinWidth() const { return minW_; }
  void SetMinWidth(Integer v) { minW_ = v; Changed(); }
  Integer MinHeight() const { return minH_; }
  void SetMinHeight(Integer v) { minH_ = v; Changed(); }
  Integer MaxWidth() const { return maxW_; }
  void SetMaxWidth(Integer v) { maxW_ = v; Changed(); }
  Integer MaxHeight() const { return maxH_; }
  void SetMaxHeight(Integer v) { maxH_ = v; Changed(); }
  void Apply(Integer& w, Integer& h) const;

 private:
  void Changed();
  TControl* control_;
  Integer minW_ = 0, minH_ = 0, maxW_ = 0, maxH_ = 0;
};

// ---- TControl ------------------------------------------------------------------------------

class TBasicAction;
class TControlActionLink;

class TControl : public TComponent {
  KORVAN_CLASS(TControl, TComponent)

 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  void BeforeDestruction() override;

  // Parent and position.
  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;
  Integer Left() const { return left_; }
  void SetLeft(Integer v) { SetBounds(v, top_, width_, height_); }
  Integer Top() const { return top_; }
  void SetTop(Integer v) { SetBounds(left_, v, width_, height_); }
  Integer Width() const { return width_; }
  void SetWidth(Integer v) { SetBounds(left_, top_, v, height_); }
  Integer Height() const { return height_; }
  void SetHeight(Integer v) { SetBounds(left_, top_, width_, v); }
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  // Positions and sizes are kept within +-2^27, as the window layer's coordinates are, so that
  // sums of a control's position, its size and its parents' origins never overflow.
  static constexpr Integer MaxCoord = (1 << 27) - 1;
  static Integer ClampCoord(Int64 v) { return Integer(std::clamp<Int64>(v, -MaxCoord, MaxCoord)); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual void SetBounds(Integer left, Integer top, Integer width, Integer height);
  virtual TRect ClientRect();
  Integer ClientWidth() { return ClientRect().Width(); }
  void SetClientWidth(Integer v);
  Integer ClientHeight() { return ClientRect().Height(); }
  void SetClientHeight(Integer v);
  void SetClientSize(TSize s);
  // Screen position of the client origin.
  virtual TPoint ClientOrigin();
  TPoint ClientToScreen(TPoint p) { TPoint o = ClientOrigin(); return {p.X + o.X, p.Y + o.Y}; }
  TPoint ScreenToClient(TPoint p) { TPoint o = ClientOrigin(); return {p.X - o.X, p.Y - o.Y}; }
  TPoint ClientToParent(TPoint p, TWinControl* parent = nullptr);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign v);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(const TAnchors& v);
  TSizeConstraints* Constraints() const { return constraints_.get(); }
  void SetConstraints(TSizeConstraints* v) { constraints_->Assign(v); }
  bool AutoSize() const { return autoSize_; }
  virtual void SetAutoSize(bool v);

  // State.
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  virtual bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool v);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* v) { font_->Assign(v); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  String Caption() const { return GetText(); }
  void SetCaption(const String& v) { SetText(v); }
  String Text() const { return GetText(); }
  void SetText(const String& v);
  String Hint() const { return hint_; }
  void SetHint(const String& v) { hint_ = v; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool v);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* v);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor v);
  TControlStyle& ControlStyle() { return controlStyle_; }
  const TControlStyle& ControlStyle() const { return controlStyle_; }
  void SetControlStyle(const TControlStyle& v) { controlStyle_ = v; }
  TControlState& ControlState() { return controlState_; }
  const TControlState& ControlState() const { return controlState_; }
  void SetControlState(const TControlState& v) { controlState_ = v; }
  TDragMode DragMode() const { return dragMode_; }
  // Virtual: a control hosting an inner control passes the drag settings on.
  virtual void SetDragMode(TDragMode v) { dragMode_ = v; }
  TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor v) { dragCursor_ = v; }
  TDragKind DragKind() const { return dragKind_; }
  virtual void SetDragKind(TDragKind v) { dragKind_ = v; }
  bool IsRightToLeft() const { return false; }
  virtual bool Showing() const;
  bool MouseCapture() const;
  void SetMouseCapture(bool v);

  // Messages. WindowProc, when assigned, replaces WndProc as the entry of every message (the
  // platform's subclassing of a control: the replacement usually ends by calling WndProc).
  std::function<void(TMessage&)> WindowProc;
  NativeInt Perform(Cardinal msg, NativeUInt wParam = 0, NativeInt lParam = 0);
  virtual void WndProc(TMessage& message);
  // Sends the message to its handler by number; unknown messages go to DefaultHandler.
  virtual void Dispatch(TMessage& message);
  virtual void DefaultHandler(TMessage& message);

  // Painting.
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();
  void SetZOrder(bool topMost);

  // Dragging.
  void BeginDrag(bool immediate, Integer threshold = -1);
  void EndDrag(bool drop);
  bool Dragging() const;
  virtual void DragDrop(TObject* source, Integer x, Integer y);
  TDragImageList* GetDragImages() { return DoGetDragImages(); }

  // The platform's GetTextLen/Buf in one call.
  Integer GetTextLen() const { return Integer(GetText().size()); }
  // Whether the control or one of its ancestors is being loaded or destroyed.
  bool IsLoading() const { return ComponentState().Contains(csLoading); }

  // The linked action (vcl/ActnList.h): its state flows to the control through the link, and
  // Click without an OnClick handler runs it. A freed action is dropped.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* v);
  // Whether the control acts as the action's target (the action's HandlesTarget).
  virtual bool ExecuteAction(TBasicAction* action);
  virtual bool UpdateAction(TBasicAction* action);
  // Lets the linked action update itself.
  void InitiateAction();

  // Events.
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseWheelEvent OnMouseWheel;
  TNotifyEvent OnResize;
  TContextPopupEvent OnContextPopup;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;
  TCanResizeEvent OnCanResize;

  // Message handlers (descendants override and call the inherited handler).
  virtual void WMLButtonDown(TMessage& m);
  virtual void WMLButtonUp(TMessage& m);
  virtual void WMLButtonDblClk(TMessage& m);
  virtual void WMRButtonDown(TMessage& m);
  virtual void WMRButtonUp(TMessage& m);
  virtual void WMMButtonDown(TMessage& m);
  virtual void WMMButtonUp(TMessage& m);
  virtual void WMMouseMove(TMessage& m);
  virtual void WMMouseWheel(TMessage& m);
  virtual void WMContextMenu(TMessage& m);
  virtual void WMCancelMode(TMessage& m);
  virtual void CMMouseEnter(TMessage& m);
  virtual void CMMouseLeave(TMessage& m);
  virtual void CMEnabledChanged(TMessage& m);
  virtual void CMVisibleChanged(TMessage& m);
  virtual void CMFontChanged(TMessage& m);
  virtual void CMColorChanged(TMessage& m);
  virtual void CMTextChanged(TMessage& m);
  virtual void CMParentFontChanged(TMessage& m);
  virtual void CMParentColorChanged(TMessage& m);
  virtual void CMParentShowHintChanged(TMessage& m);
  virtual void CMCursorChanged(TMessage& m);
  virtual void CMHitTest(TMessage& m);
  virtual void CMHintShow(TMessage& m);
  virtual void CMSysColorChange(TMessage& m);
  virtual void CMDrag(TMessage& m);

 protected:
  friend class TWinControl;
  friend class TApplication;
  friend class TDragManager;
  friend class TBaseDragControlObject;

  void Loaded() override;
  void Notification(TComponent* c, TOperation op) override;
  virtual String GetText() const { return text_; }
  virtual void SetTextValue(const String& v);
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y);
  virtual void MouseMove(TShiftState shift, Integer x, Integer y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y);
  virtual bool DoMouseWheel(TShiftState shift, Integer delta, TPoint mousePos);
  virtual void DoContextPopup(TPoint mousePos, bool& handled);
  virtual void Resize();
  virtual bool CanResize(Integer& newWidth, Integer& newHeight);
  virtual bool CanAutoSize(Integer& newWidth, Integer& newHeight) { return false; }
  void AdjustSize();
  virtual void ChangeScale(Integer m, Integer d);
  virtual void DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept);
  virtual void DoStartDrag(TDragObject*& dragObject);
  virtual void DoEndDrag(TObject* target, Integer x, Integer y);
  virtual TDragImageList* DoGetDragImages() { return nullptr; }
  virtual void RequestAlign();
  virtual void VisibleChanging() {}
  virtual void UpdateBoundsRect(const TRect& r);
  virtual void ParentChanged() {}
  virtual TColor DefaultColor() const { return clWindow; }
  // The link class of the control, and the copy of an action's state to the control.
  virtual TControlActionLink* CreateActionLink();
  virtual void ActionChange(TObject* sender, bool checkDefaults);
  TControlActionLink* ActionLink() const { return actionLink_; }
  TControlActionLink* actionLink_ = nullptr;
  void InvalidateControl(bool isVisible, bool isOpaque);
  void SendCancelMode(TControl* sender);
  void UpdateAnchorRules();
  TPopupMenu* GetPopupMenu() const { return popupMenu_; }
  void FontChanged(TObject* sender);
  void ApplyParentFont();
  bool IsControlMouseClick(Integer x, Integer y) { return ClientRect().Contains({x, y}); }

  TWinControl* parent_ = nullptr;
  Integer left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  TAnchors anchors_ = {akLeft, akTop};
  TRect anchorRect_;
  TSize anchorParentSize_{-1, -1};
  bool anchorMove_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  bool autoSize_ = false;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  TColor color_ = clWindow;
  bool parentColor_ = false;
  String text_;
  String hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TPopupMenu* popupMenu_ = nullptr;
  TCursor cursor_ = crDefault;
  TControlStyle controlStyle_;
  TControlState controlState_;
  TDragMode dragMode_ = dmManual;
  TCursor dragCursor_ = crDrag;
  TDragKind dragKind_ = dkDrag;
  std::unique_ptr<TSizeConstraints> constraints_;
  bool updatingFont_ = false;
};

// ---- TWinControl ---------------------------------------------------------------------------

using TTabOrder = Integer;

class TWinControl : public TControl {
  KORVAN_CLASS(TWinControl, TControl)

 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // The window. Handle() makes it (and the parents' windows) when it does not exist.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }
  void RecreateWnd();
  HWND ParentWindow() const { return parentWindow_; }
  void SetParentWindow(HWND v);
  // Creates a control as the child of a window that no control owns.
  static TWinControl* CreateParented(TClass cls, HWND parentWindow);

  // Children.
  Integer ControlCount() const { return Integer(controls_.size()); }
  TControl* Controls(Integer i) const { return controls_[size_t(i)]; }
  void InsertControl(TControl* c);
  void RemoveControl(TControl* c);
  bool ContainsControl(TControl* c) const;
  TControl* ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls = false);
  TControl* FindChildControl(const String& name) const;
  void Broadcast(TMessage& m);
  void NotifyControls(Cardinal msg);
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

  // Focus and tab order.
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v);
  TTabOrder TabOrder() const;
  void SetTabOrder(TTabOrder v);
  virtual bool CanFocus();
  virtual bool Focused();
  virtual void SetFocus();
  virtual void GetTabOrderList(std::vector<TWinControl*>& list);
  TWinControl* FindNextControl(TWinControl* cur, bool goForward, bool checkTabStop, bool checkParent);
  void SelectNext(TWinControl* cur, bool goForward, bool checkTabStop);
  bool Showing() const override { return showing_; }

  // Alignment.
  void DisableAlign();
  void EnableAlign();
  void Realign();
  bool AlignDisabled() const { return alignLevel_ > 0; }
  TRect ClientRect() override;
  Integer BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(Integer v);
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool v) { doubleBuffered_ = v; }
  TBrush* Brush() const { return brush_.get(); }
  bool ParentBackground() const { return controlStyle_.Contains(csParentBackground); }
  void SetParentBackground(bool v);

  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void SetBounds(Integer left, Integer top, Integer width, Integer height) override;
  TPoint ClientOrigin() override;
  void PaintTo(HDC dc, Integer x, Integer y);
  void ScaleBy(Integer m, Integer d);

  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // Handlers.
  virtual void WMPaint(TMessage& m);
  virtual void WMEraseBkgnd(TMessage& m);
  virtual void WMSetFocus(TMessage& m);
  virtual void WMKillFocus(TMessage& m);
  virtual void WMKeyDown(TMessage& m);
  virtual void WMKeyUp(TMessage& m);
  virtual void WMChar(TMessage& m);
  virtual void WMSysKeyDown(TMessage& m);
  virtual void WMGetDlgCode(TMessage& m);
  virtual void WMSize(TMessage& m);
  virtual void WMMove(TMessage& m);
  virtual void WMSetCursor(TMessage& m);
  virtual void WMNCHitTest(TMessage& m);
  virtual void CNKeyDown(TMessage& m);
  virtual void CNChar(TMessage& m);
  virtual void CNSysChar(TMessage& m);
  virtual void CMDialogKey(TMessage& m);
  virtual void CMDialogChar(TMessage& m);
  virtual void CMChildKey(TMessage& m);
  virtual void CMWantSpecialKey(TMessage& m) {}
  virtual void CMEnter(TMessage& m);
  virtual void CMExit(TMessage& m);
  virtual void CMFocusChanged(TMessage& m);
  virtual void CMShowingChanged(TMessage& m);
  virtual void CMControlListChange(TMessage& m) {}
  virtual void CMRecreateWnd(TMessage& m);
  void CMEnabledChanged(TMessage& m) override;
  void CMVisibleChanged(TMessage& m) override;
  void CMFontChanged(TMessage& m) override;
  void CMColorChanged(TMessage& m) override;
  void CMTextChanged(TMessage& m) override;
  void CMSysColorChange(TMessage& m) override;

 protected:
  friend class TControl;
  friend class TCustomForm;
  void Loaded() override;
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWindowHandle(const TCreateParams& params);
  virtual void CreateWnd();
  virtual void CreateHandle();
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  void DestroyHandle();
  virtual void DefWndProc(TMessage& m);
  virtual void AlignControls(TControl* control, TRect& rect);
  virtual void AdjustClientRect(TRect& rect);
  virtual void PaintWindow(HDC dc);
  void PaintHandler(TMessage& m);
  void PaintControls(HDC dc, TControl* first);
  virtual void KeyDown(Word& key, TShiftState shift);
  virtual void KeyUp(Word& key, TShiftState shift);
  virtual void KeyPress(char32_t& key);
  bool DoKeyDown(Word& key, NativeInt keyData);
  bool DoKeyUp(Word& key, NativeInt keyData);
  bool DoKeyPress(char32_t& key);
  virtual void DoEnter();
  virtual void DoExit();
  virtual void UpdateShowing();
  void UpdateControlState();
  virtual bool IsControlMouseMsg(TMessage& m);
  void AlignControl(TControl* control);
  virtual void ShowControl(TControl* c) {}
  void SetZOrderPosition(TControl* c, bool topMost);
  void InvalidateFrame() {}
  void FixupTabList();
  TColor DefaultColor() const override { return clBtnFace; }

  HWND handle_ = nullptr;
  HWND parentWindow_ = nullptr;
  std::vector<TControl*> controls_;    // z-order, bottom first
  std::vector<TWinControl*> tabList_;  // tab order
  bool tabStop_ = false;
  Integer loadedTabOrder_ = -1;
  bool showing_ = false;
  Integer alignLevel_ = 0;
  Integer borderWidth_ = 0;
  bool doubleBuffered_ = false;
  std::unique_ptr<TBrush> brush_;
  TControl* captureControl_ = nullptr;
  bool destroyingHandle_ = false;
};

// A windowed control that paints itself on its canvas in Paint.
class TCustomControl : public TWinControl {
  KORVAN_CLASS(TCustomControl, TWinControl)

 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return canvas_.get(); }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;
  std::unique_ptr<TCanvas> canvas_;
};

// A control without a window of its own: painted and given mouse input by its parent.
class TGraphicControl : public TControl {
  KORVAN_CLASS(TGraphicControl, TControl)

 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return canvas_.get(); }
  void Dispatch(TMessage& message) override;

 protected:
  virtual void Paint() {}
  TColor DefaultColor() const override { return clBtnFace; }
  std::unique_ptr<TCanvas> canvas_;
};

// A canvas that draws on a control: the window's device context for a windowed control,
// the parent's (clipped and offset) for a graphic control.
class TControlCanvas : public TCanvas {
  KORVAN_CLASS(TControlCanvas, TCanvas)

 public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* Control() const { return control_; }
  void SetControl(TControl* c);
  void FreeHandle();
  void UpdateTextFlags() {}

 protected:
  void CreateHandle() override;

 private:
  TControl* control_ = nullptr;
  HDC deviceContext_ = nullptr;
  HWND window_ = nullptr;
};

// ---- mouse, drag and drop, hints -----------------------------------------------------------

class TMouse {
 public:
  TPoint CursorPos() const;
  void SetCursorPos(TPoint p);
  TControl* Capture() const;
  void SetCapture(TControl* c);
  bool DragImmediate() const { return dragImmediate_; }
  void SetDragImmediate(bool v) { dragImmediate_ = v; }
  Integer DragThreshold() const { return dragThreshold_; }
  void SetDragThreshold(Integer v) { dragThreshold_ = v; }
  bool MousePresent() const { return true; }
  bool WheelPresent() const { return true; }
  // The system's wheel scroll line count (3 when it cannot be read).
  Integer WheelScrollLines() const;

 private:
  bool dragImmediate_ = true;
  Integer dragThreshold_ = 5;
};
TMouse* Mouse();
// The control that has the mouse captured (a graphic control through its parent's window).
inline TControl* GetCaptureControl() { return Mouse()->Capture(); }
inline void SetCaptureControl(TControl* c) { Mouse()->SetCapture(c); }

// What is being dragged: created by the drag source (OnStartDrag) or made by the framework.
class TDragObject : public TObject {
  KORVAN_CLASS(TDragObject, TObject)

 public:
  TDragObject() = default;
  virtual TCursor GetDragCursor(bool accepted, Integer x, Integer y) { return accepted ? crDrag : crNoDrop; }
  virtual TDragImageList* GetDragImages() { return nullptr; }
  virtual void Finished(TObject* target, Integer x, Integer y, bool accepted) {}
  virtual void HideDragImage() {}
  virtual void ShowDragImage() {}
  TPoint DragPos() const { return dragPos_; }
  TControl* DragTarget() const { return dragTarget_; }
  HWND DragHandle() const { return dragHandle_; }
  bool Dropped() const { return dropped_; }
  bool Cancelling() const { return cancelling_; }
  // Whether the framework made this object (and frees it at the end of the drag).
  bool AutoCreated() const { return autoCreated_; }

 protected:
  friend class TDragManager;
  friend class TBaseDragControlObject;
  TPoint dragPos_;
  TControl* dragTarget_ = nullptr;
  HWND dragHandle_ = nullptr;
  bool dropped_ = false;
  bool cancelling_ = false;
  bool autoCreated_ = false;
};

class TBaseDragControlObject : public TDragObject {
  KORVAN_CLASS(TBaseDragControlObject, TDragObject)

 public:
  explicit TBaseDragControlObject(TControl* control) : control_(control) {}
  TControl* Control() const { return control_; }
  void Finished(TObject* target, Integer x, Integer y, bool accepted) override;

 protected:
  TControl* control_;
};

class TDragControlObject : public TBaseDragControlObject {
  KORVAN_CLASS(TDragControlObject, TBaseDragControlObject)

 public:
  using TBaseDragControlObject::TBaseDragControlObject;
  TCursor GetDragCursor(bool accepted, Integer x, Integer y) override;
  TDragImageList* GetDragImages() override;
  void HideDragImage() override;
  void ShowDragImage() override;
};

// The drag in progress: started by BeginDrag, moved by mouse messages, ended by the button
// going up (drop), Esc or cancel mode.
class TDragManager {
 public:
  static TDragManager& Instance();
  bool Active() const { return dragObject_ != nullptr; }
  TDragObject* DragObject() const { return dragObject_; }
  TControl* DragControl() const { return dragControl_; }
  void Begin(TControl* control, bool immediate, Integer threshold);
  void Move(TPoint screen);
  void Finish(bool drop);
  // True when the message was consumed by the drag.
  bool HandleMessage(const MSG& msg);
  void ControlDestroyed(TControl* c);

 private:
  void SetTarget(TControl* target, TPoint screen, TDragState state, bool& accepted);
  TDragObject* dragObject_ = nullptr;
  TControl* dragControl_ = nullptr;
  TControl* target_ = nullptr;
  TPoint startPos_;
  Integer threshold_ = 0;
  bool started_ = false;
  bool accepted_ = false;
  TCursor savedCursor_ = crDefault;
};

// The control under a screen point: the deepest enabled control (graphic ones included).
TControl* FindDragTarget(TPoint screen, bool allowDisabled);
TControl* FindControl(HWND wnd);
TWinControl* FindVCLWindow(TPoint screen);
TCustomForm* GetParentForm(TControl* control);
TCustomForm* ValidParentForm(TControl* control);

// The small window that shows a hint.
class THintWindow : public TCustomControl {
  KORVAN_CLASS(THintWindow, TCustomControl)

 public:
  explicit THintWindow(TComponent* owner);
  virtual void ActivateHint(TRect rect, const String& hint);
  virtual TRect CalcHintRect(Integer maxWidth, const String& hint);
  void ReleaseHandle();
  bool IsHintShown() const { return shown_; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void WMNCHitTest(TMessage& m) override;
  bool shown_ = false;
};

// The parts of a hint before and after "|" (the whole hint when there is no bar).
String GetShortHint(const String& hint);
String GetLongHint(const String& hint);

// Turns a key and shift state into a shortcut and back ("Ctrl+S").
using TShortCut = Word;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
TShortCut ShortCut(Word key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, Word& key, TShiftState& shift);
String ShortCutToText(TShortCut shortCut);
TShortCut TextToShortCut(const String& text);

// Registers the classes of this unit for form descriptions.
void InitializeControls();

// Services of the application object and the screen (vcl/Forms.cpp) that controls call.
// An exception escaping a message handler goes to the application's HandleException.
void HandleControlException(TObject* sender);
// A control is going away: the application forgets it as the mouse, hint or drag control.
void ApplicationControlDestroyed(TControl* control);
// The window cursor for a cursor id (the screen's Cursors table), and the screen's cursor.
HCURSOR ScreenCursorHandle(TCursor cursor);
TCursor ScreenCursor();
