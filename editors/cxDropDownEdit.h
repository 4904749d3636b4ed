// The editor popup window (frame, shadow, system panel with close button and size grip, user
// sizing, modal results as close-up reasons) and the drop-down editor: a mask edit with a
// drop-down button that opens such a window and closes it with a reason that decides whether
// the popup's value is taken.
#pragma once

#include "editors/cxMaskEdit.h"

class TcxCustomDropDownEdit;
class TcxCustomEditPopupWindow;

// Private messages: a character to type into the popup's focused control; the lookup list
// brought in step with the edit's text.
constexpr Cardinal DXM_POPUPFORWARDCHAR = 0x806B;
constexpr Cardinal DXM_SYNCLOOKUPDATA = 0x806C;

// Close-up reasons: 1, 2 and 4 take the popup's value.
constexpr Byte crClosedOtherwise = 0, crTab = 1, crDropDownKey = 2, crCancel = 3, crAccept = 4;

// ---- popup window view info ----------------------------------------------------------------------

class TcxCustomEditPopupWindowViewInfo;
using TcxEditPopupCustomDrawBorderEvent =
    std::function<void(TcxCustomEditPopupWindowViewInfo* view_info, TcxCanvas* canvas, Integer& border_width,
                       bool& handled, TRect& r)>;

class TcxCustomEditPopupWindowViewInfo : public TcxContainerViewInfo {
  KORVAN_CLASS(TcxCustomEditPopupWindowViewInfo, TcxContainerViewInfo)

 public:
  TcxEditPopupCustomDrawBorderEvent OnCustomDrawBorder;
  TcxEditPopupBorderStyle BorderStyle = epbsDefault;
  bool ClientEdge = false;
  bool CloseButton = false;
  TRect CloseButtonRect;
  TcxLookAndFeelKind LookAndFeelKind = lfStandard;
  Integer CloseButtonThemeState = 0;
  TcxButtonState CloseButtonState = cxbsNormal;
  Integer MinSysPanelHeight = 0;
  bool NativeStyle = false;
  bool Shadow = false;
  bool Sizeable = false;
  Byte GripCorner = 3;
  TRect SizeGripDrawRect, SizeGripRect;
  TRect FrameRect;
  Integer SizingZone = 0;
  Integer SysPanelHeight = 0;
  bool SysPanelStyle = false;
  // The window's size (Bounds is (0, 0, width, height)); ClientArea is the content.
  TRect Bounds;

  virtual void Calculate();
  virtual void DrawBorder(TcxCanvas* canvas, TRect& r);
  virtual void CalculateBorderExtent(TRect& extent);
  void GetBorderExtent(TRect& extent) { CalculateBorderExtent(extent); }
  virtual Integer GetSysPanelHeight();
  // Whether a point sizes the window, and the two directions (-1, 0, +1) it sizes in.
  virtual bool GetSizingHitTest(Integer x, Integer y, Integer& dx, Integer& dy);
  void PaintTo(TcxCanvas* canvas) override;

  Integer GetNaturalSysPanelHeight();
  Integer GetBorderWidth(bool with_client_edge);
  static Integer TableBorderWidth(TcxEditPopupBorderStyle style);
  static Integer TableClientEdgeWidth(TcxEditPopupBorderStyle style);
  bool PanelAtBottom() const { return GripCorner >= 2; }
  bool GripOnLeft() const { return GripCorner == 0 || GripCorner == 2; }

 protected:
  void CalculateSizeGripRects();
  void CalculateCloseButtonRect();
  void DrawCloseButton(TcxCanvas* canvas);
  void DrawPopupSizeGrip(TcxCanvas* canvas);
};

class TcxPopupEditPopupWindowViewInfo : public TcxCustomEditPopupWindowViewInfo {
  KORVAN_CLASS(TcxPopupEditPopupWindowViewInfo, TcxCustomEditPopupWindowViewInfo)

 public:
  void DrawBorder(TcxCanvas* canvas, TRect& r) override;
};

// ---- popup window ----------------------------------------------------------------------------------

class TcxCustomEditPopupWindow : public TcxCustomPopupWindow {
  KORVAN_CLASS(TcxCustomEditPopupWindow, TcxCustomPopupWindow)

 public:
  using CreateArgType = TWinControl*;
  explicit TcxCustomEditPopupWindow(TWinControl* owner_control);
  ~TcxCustomEditPopupWindow() override;
  TcxCustomDropDownEdit* GetOwnerControl() const;
  TcxCustomEditPopupWindowViewInfo* GetPopupViewInfo() const {
    return static_cast<TcxCustomEditPopupWindowViewInfo*>(ViewInfo());
  }

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v) { autoSize_ = v; }
  TcxEditPopupBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TcxEditPopupBorderStyle v);
  bool ClientEdge() const { return clientEdge_; }
  void SetClientEdge(bool v);
  bool CloseButton() const { return closeButton_; }
  void SetCloseButton(bool v);
  bool NativeStyle() const { return nativeStyle_; }
  void SetNativeStyle(bool v);
  bool Shadow() const { return shadow_; }
  void SetShadow(bool v);
  bool Sizeable() const { return sizeable_; }
  void SetSizeable(bool v);
  bool SysPanelStyle() const { return sysPanelStyle_; }
  void SetSysPanelStyle(bool v);
  void SetMinSysPanelHeight(Integer v) { GetPopupViewInfo()->MinSysPanelHeight = v; }
  Integer MinHeight = 0, MinWidth = 0, PopupHeight = 0, PopupWidth = 0;
  // The editor's bounds for placement, in its parent's coordinates.
  TRect OwnerBounds;

  virtual void CalculateViewInfo();
  virtual void ForwardCharToFocus(char32_t c);
  virtual void GetMinSize(TSize& size);
  virtual void CalculateSize();
  TPoint CalculatePlacement() override;
  bool ShrinksToWorkArea() override;
  void FireClosed() override;
  void FireClosing() override;
  // The modal loop's close: OK accepts (4), Cancel cancels (3), anything else closes (0).
  void FinishModal() override;
  void ShowPopup(TWinControl* focus_control) override;
  TClass ViewInfoClass() override { return TcxCustomEditPopupWindowViewInfo::StaticClass(); }
  bool CanResize(Integer& width, Integer& height) override;
  void RecalculateLayout();
  void ApplyPopupWindowRegion();
  // The content height a user resize may reach: from the edge anchored at the editor to the far
  // edge of the work area.
  Integer AvailableContentHeight();
  // The bounds the user's drag would give at a screen point (the sizing state's grab offsets).
  bool Dragging() const;
  TRect SizingFrameBounds() const;

  void FreeWindowHandle() { DestroyHandle(); }
  void WndProc(TMessage& m) override;

 protected:
  // The drop-down keys pressed inside a popup that has the focus go to its editor.
  void KeyDown(Word& key, TShiftState shift) override;
  // A form hosted inside the popup taking the activation does not close it.
  void Deactivate() override;
  void AdjustClientRect(TRect& rect) override;
  void Paint() override;
  void ComputeViewInfo() override {}
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void Resize() override;
  void MouseLeft();
  void DrawSizingFrame(const TRect& r);
  void SetSizingCursor(Integer dx, Integer dy);

 private:
  bool autoSize_ = false;
  TcxEditPopupBorderStyle borderStyle_ = epbsDefault;
  bool clientEdge_ = false;
  bool closeButton_ = false;
  bool nativeStyle_ = false;
  bool shadow_ = false;
  bool sizeable_ = false;
  bool sysPanelStyle_ = false;
  HWND activating_ = nullptr;  // the window taking the activation from this one
};

// ---- drop-down properties ---------------------------------------------------------------------------

enum TcxPopupDirection { pdVertical, pdHorizontal };
enum TcxPopupHorzAlignment { phaLeft, phaCenter, phaRight };
enum TcxPopupVertAlignment { pvaTop, pvaCenter, pvaBottom };

class TcxCustomDropDownEditProperties : public TcxCustomMaskEditProperties {
  KORVAN_CLASS(TcxCustomDropDownEditProperties, TcxCustomMaskEditProperties)

 public:
  explicit TcxCustomDropDownEditProperties(TPersistent* owner);
  ~TcxCustomDropDownEditProperties() override;
  void Assign(TPersistent* source) override;

  virtual Integer GetDropDownButtonIndex() { return 0; }
  virtual bool DropDownOnClick() { return false; }
  virtual bool PostsOnPopupClosed() { return false; }
  virtual TClass GetPopupWindowClass() { return TcxCustomEditPopupWindow::StaticClass(); }
  virtual bool KeepsPopupInsideWorkArea() { return true; }
  virtual bool PopupTakesFocus() { return false; }
  virtual bool ShowsLookupListInPopup() { return true; }
  TClass GetContainerClass() override;
  TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                        bool hide_display_text = false) override;

  TBitmap* ButtonGlyph();
  void SetButtonGlyph(TBitmap* v);
  void MoveGlyphToButton(Integer index);
  bool ImmediateDropDown() const { return immediateDropDown_; }
  void SetImmediateDropDown(bool v) { immediateDropDown_ = v; }
  bool ImmediatePopup() const { return immediatePopup_; }
  void SetImmediatePopup(bool v) { immediatePopup_ = v; }
  bool ShowDropDownButtonPressed() const { return showDropDownButtonPressed_; }
  void SetShowDropDownButtonPressed(bool v);
  bool PopupAutoSize() const { return popupAutoSize_; }
  void SetPopupAutoSize(bool v) { popupAutoSize_ = v; }
  bool PopupClientEdge() const { return popupClientEdge_; }
  void SetPopupClientEdge(bool v);
  TcxPopupDirection PopupDirection() const { return popupDirection_; }
  void SetPopupDirection(TcxPopupDirection v) { popupDirection_ = v; }
  Integer PopupHeight() const { return popupHeight_; }
  void SetPopupHeight(Integer v);
  TcxPopupHorzAlignment PopupHorzAlignment() const { return popupHorzAlignment_; }
  void SetPopupHorzAlignment(TcxPopupHorzAlignment v) { popupHorzAlignment_ = v; }
  TAlignment PopupAlignment() const;
  void SetPopupAlignment(TAlignment v);
  Integer PopupMinHeight() const { return popupMinHeight_; }
  void SetPopupMinHeight(Integer v);
  Integer PopupMinWidth() const { return popupMinWidth_; }
  void SetPopupMinWidth(Integer v);
  bool PopupSizeable() const { return popupSizeable_; }
  void SetPopupSizeable(bool v);
  bool PopupSysPanelStyle() const { return popupSysPanelStyle_; }
  void SetPopupSysPanelStyle(bool v);
  TcxPopupVertAlignment PopupVertAlignment() const { return popupVertAlignment_; }
  void SetPopupVertAlignment(TcxPopupVertAlignment v) { popupVertAlignment_ = v; }
  Integer PopupWidth() const { return popupWidth_; }
  void SetPopupWidth(Integer v);
  bool PostPopupValueOnTab() const { return postPopupValueOnTab_; }
  void SetPostPopupValueOnTab(bool v) { postPopupValueOnTab_ = v; }
  void NotifyPropertiesChanged() override;

  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnCloseUp, OnFinalizePopup, OnInitPopup, OnPopup;

 protected:
  void ApplyGlyphButtonKind();
  Integer glyphButtonIndex_ = 0;
  bool immediateDropDown_ = true;
  bool immediatePopup_ = false;
  bool showDropDownButtonPressed_ = false;
  bool popupAutoSize_ = true;
  bool popupClientEdge_ = false;
  TcxPopupDirection popupDirection_ = pdVertical;
  Integer popupHeight_ = 0;
  TcxPopupHorzAlignment popupHorzAlignment_ = phaLeft;
  Integer popupMinHeight_ = 0, popupMinWidth_ = 0;
  bool popupSizeable_ = false;
  bool popupSysPanelStyle_ = false;
  TcxPopupVertAlignment popupVertAlignment_ = pvaBottom;
  Integer popupWidth_ = 0;
  bool postPopupValueOnTab_ = false;
  bool applyingKind_ = false;
};

// The view data: the drop-down button cannot be pressed while the popup is open under the
// mouse, and is drawn pressed while it is open when the properties ask.
class TcxCustomDropDownEditViewData : public TcxCustomTextEditViewData {
  KORVAN_CLASS(TcxCustomDropDownEditViewData, TcxCustomTextEditViewData)

 public:
  using TcxCustomTextEditViewData::TcxCustomTextEditViewData;
  bool IsPopupOpen = false;
  bool HotAndPopup = false;
  bool CanPressButton(TcxCustomEditViewInfo* view_info, Integer index) override;
  bool IsButtonForcedPressed(TcxCustomEditViewInfo* view_info, Integer index) override;
};

// The per-cell data of an in-place drop-down editor: the remembered popup size.
class TcxCustomDropDownEditData : public TcxCustomEditData {
  KORVAN_CLASS(TcxCustomDropDownEditData, TcxCustomEditData)

 public:
  using TcxCustomEditData::TcxCustomEditData;
  bool SizeRemembered = false;
  Integer Width = 0, Height = 0;
};

// The look and feel of the popup's content: the editor style's kind in place, else the kind
// of the first button's style.
class TcxEditPopupControlLookAndFeel : public TcxLookAndFeel {
  KORVAN_CLASS(TcxEditPopupControlLookAndFeel, TcxLookAndFeel)

 public:
  explicit TcxEditPopupControlLookAndFeel(TcxCustomDropDownEdit* edit);
  // Takes kind and native flag from the editor; true when either changed.
  bool Refresh();

 private:
  TcxCustomDropDownEdit* edit_;
};

// ---- drop-down edit ---------------------------------------------------------------------------------

class TcxCustomDropDownEdit : public TcxCustomMaskEdit {
  KORVAN_CLASS(TcxCustomDropDownEdit, TcxCustomMaskEdit)

 public:
  explicit TcxCustomDropDownEdit(TComponent* owner)
      : TcxCustomDropDownEdit(owner, false, TcxCustomDropDownEditProperties::StaticClass()) {}
  TcxCustomDropDownEdit(TComponent* owner, bool in_place, TClass properties_class,
                        TClass inner_edit_class = nullptr);
  ~TcxCustomDropDownEdit() override;

  TcxCustomDropDownEditProperties* DropDownProperties() const {
    return static_cast<TcxCustomDropDownEditProperties*>(Properties());
  }
  TcxCustomDropDownEditProperties* EffectiveDropDownProperties() {
    return static_cast<TcxCustomDropDownEditProperties*>(GetEffectiveProperties());
  }
  TcxCustomEditPopupWindow* PopupWindow();
  TcxEditPopupControlLookAndFeel* PopupControlsLookAndFeel() const { return popupLookAndFeel_.get(); }

  bool DroppedDown();
  void SetDroppedDown(bool v);
  Byte CloseUpReason() const { return closeUpReason_; }
  void SetCloseUpReason(Byte v) { closeUpReason_ = v; }
  bool HotAndPopup() const { return hotAndPopup_; }
  bool PopupSizeChanged() const { return popupSizeChanged_; }
  void SetPopupSizeChanged(bool v) { popupSizeChanged_ = v; }
  bool SizeRemembered() const { return sizeRemembered_; }
  void SetSizeRemembered(bool v) { sizeRemembered_ = v; }
  // A show message is queued for the popup window.
  bool ShowQueued();

  virtual bool CanDropDown() { return false; }
  virtual void CloseUp(Byte reason);
  virtual void CreatePopupWindow();
  virtual void DoCloseUp();
  virtual void DoFinalizePopup();
  virtual void DoInitPopup();
  virtual void FirePopup();
  virtual void DropDown();
  virtual TWinControl* PopupFocusControl();
  virtual void PopupContentSize(TSize& size) { size = TSize(0, 0); }
  virtual void AttachLookupListToPopup();
  virtual void SetupPopupWindow();
  virtual void PopupLookAndFeelChanged() {}
  virtual void PositionPopupContent(const TRect& r);
  virtual void PositionPopupWindow();
  virtual void PopupWindowClosed();
  virtual bool PopupWindowCloseQuery();
  virtual void PopupWindowShown();
  // The editor's bounds for the popup's placement, in its parent's coordinates.
  TRect PopupOwnerBounds();

  bool Focused() override;
  bool IsPopupOpen() override { return DroppedDown(); }
  bool IsInplaceForPaint() override;
  bool SendActivationKey(char32_t key) override;
  bool IsClickKey(Word key, TShiftState shift) override;
  bool CanNavigateLookupItems(bool by_wheel) override;
  void HandleTabKey(TShiftState shift) override;
  void DoButtonClick(Integer index) override;
  void FillViewInfoState(TcxCustomEditViewData* view_data) override;
  bool RefreshState(const TPoint& p, Integer button, TShiftState shift, bool is_mouse_event) override;
  void PropertiesChanged(TcxCustomEditProperties* properties) override;
  void PasteFromClipboard() override;
  TClass GetEditDataClass() override { return TcxCustomDropDownEditData::StaticClass(); }
  TcxCustomEditData* CreateEditData() override;
  void InitEditData() override;
  void ActivateInPlace(TcxCustomEditData*& edit_data) override;
  void ActivateByKey(char32_t key, TcxCustomEditData*& edit_data) override;
  void ActivateByMouse(TShiftState shift, Integer x, Integer y, TcxCustomEditData*& edit_data) override;
  bool DeactivateInPlace() override;
  void NotifyFocusChanged() override;
  void WndProc(TMessage& m) override;
  // The drop-down keys (F4, Alt+Up/Down, Enter, Esc, Tab) pressed inside the popup; the key
  // is cleared when it closed the popup.
  virtual void PopupKeyDown(Word& key, TShiftState shift);

 protected:
  // F4, Alt+arrows, Enter and Esc; true when the key was one of them.
  bool HandleDropDownKey(Word& key, TShiftState shift);
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  void DoEditKeyPress(char32_t& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  bool DoMouseWheel(TShiftState shift, Integer delta, TPoint mouse_pos) override;
  void DoExit() override;
  void DestroyWnd() override;
  void CreateWnd() override;
  // Runs one of the properties' events, then the repository item's.
  void FireEvent(TNotifyEvent TcxCustomDropDownEditProperties::*event);
  // Removes a queued show message; true when one was.
  bool PurgeShowMessage();

 private:
  bool activatingByMouse_ = false;
  bool hotAndPopup_ = false;
  std::unique_ptr<TcxEditPopupControlLookAndFeel> popupLookAndFeel_;
  bool sizeRemembered_ = false;
  bool popupSizeChanged_ = false;
  bool initialized_ = false;
  Byte closeUpReason_ = 0;
  TcxCustomEditPopupWindow* popupWindow_ = nullptr;
  bool popupInitialized_ = false;
};

// The drop-down kind's filter helper: the mask edit's, keeping the buttons of its value
// editor.
class TcxFilterDropDownEditHelper : public TcxFilterMaskEditHelper {
  KORVAN_CLASS(TcxFilterDropDownEditHelper, TcxFilterMaskEditHelper)

 public:
  bool KeepsButtons() const override { return true; }
};

void InitializeCxDropDownEdit();
