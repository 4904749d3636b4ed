// The tab control and the page control:
// - the tab model: TcxTab, the string list of tabs TcxTabs, the sorted list of visible tabs,
//   the tab slants and the image-list wrapper with rotated images;
// - the painter base TcxPCCustomPainter (the contract every page-control painter fulfils) and
//   the parent info through which painters read the control;
// - TcxCustomTabControl: tabs laid out in one scrolling line or in balanced rows, navigator
//   buttons, mouse, wheel and keyboard selection; TcxTabControl publishes its tabs;
// - TcxPageControl with its TcxTabSheet pages.
// The layout lives in cxPCLayout.cpp, the controls in cxPCControl.cpp.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "foundation/cxControls.h"
#include "foundation/cxGraphics.h"
#include "pagecontrol/cxPCPaintersFactory.h"
#include "vcl/ImgList.h"

class TcxCustomTabControl;
class TcxPageControl;
class TcxTabSheet;
class TcxTabs;
class TcxPCGoDialog;

enum TcxTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TcxPCOption {
  pcoCloseButton,
  pcoFixedTabWidthWhenRotated,
  pcoGoDialog,
  pcoGradient,
  pcoGradientClientArea,
  pcoNoArrows,
  pcoRedrawOnResize,
  pcoSort,
  pcoTopToBottomText,
  pcoUsePageColorForTab
};
using TcxPCOptions = TSet<TcxPCOption, 16>;
enum TcxPCNavigatorButton { nbTopLeft, nbBottomRight, nbGoDialog, nbClose };
using TcxPCNavigatorButtons = TSet<TcxPCNavigatorButton, 4>;
enum TcxPCNavigatorButtonState { nbsNormal, nbsPressed, nbsHotTrack, nbsDisabled };
enum TcxPCNavigatorPosition { npLeftTop, npLeftBottom, npRightTop, npRightBottom };
enum TcxTabSlantKind { skCutCorner, skSlant };
enum TcxTabSlantPosition { spLeft, spRight };
using TcxTabSlantPositions = TSet<TcxTabSlantPosition, 2>;
enum TcxTabChangeKind {
  tckRedraw,
  tckColor,
  tckEnabled,
  tckFocus,
  tckHighlighted,
  tckHot,
  tckMain,
  tckLayout,
  tckPressed,
  tckSelected,
  tckTracking
};

inline const TcxPCOptions cxPCDefaultOptions{pcoGradient, pcoGradientClientArea, pcoRedrawOnResize};

// Raises the page control's internal error "<className>.<operation>: <text>".
[[noreturn]] void RaisePCError(const char* className, const char* operation, const String& text);

// ---- tabs ----------------------------------------------------------------------------------

class TcxTab : public TPersistent {
  KORVAN_CLASS(TcxTab, TPersistent)

 public:
  TcxTab(TcxTabs* tabs, Integer index);
  ~TcxTab() override;
  void Assign(TPersistent* source) override;

  String Caption() const;
  void SetCaption(const String& v);
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool Highlighted() const { return highlighted_; }
  void SetHighlighted(bool v);
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer v);
  bool Selected() const { return selected_; }
  void SetSelected(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  TObject* Object() const { return object_; }
  void SetObject(TObject* v) { object_ = v; }

  Integer Index() const { return index_; }
  Integer VisibleIndex() const;
  TcxTabs* Tabs() const { return tabs_; }
  TcxCustomTabControl* TabControl() const;

  // Queries.
  bool IsShown() const { return !VisibleRect().IsEmpty(); }
  bool IsMain() const;
  bool IsHot() const;
  bool IsPressed() const;
  bool IsTracking() const;
  // Whether the tab is shown at that visible index.
  bool IsAt(Integer visibleIndex) const;
  bool RealEnabled() const;
  // The rectangle in client coordinates (with the painter's correction).
  TRect FullRect() const;
  // FullRect clipped to the tab area of its side; empty when the tab is not shown.
  TRect VisibleRect() const;
  // Placed on the start side (top or left).
  bool OnStartSide() const;

  // Layout state.
  Integer Row = 0;
  Integer VisibleRow = 0;
  TPoint LayoutOrigin;  // X along the strip, Y across
  Integer NormalWidth = 0;
  TRect RectCorrection;  // deltas added to Left, Top, Right, Bottom
  std::unique_ptr<TBitmap> PaintBitmap;
  std::unique_ptr<TBitmap> VerticalTextBitmap;
  // The tab's length along the strip and its thickness across.
  Integer Length() const;
  Integer Thickness() const;

 private:
  friend class TcxTabs;
  friend class TcxCustomTabControl;
  void Changed(TcxTabChangeKind kind);
  bool IsImageIndexStored() const { return imageIndex_ != index_; }

  TcxTabs* tabs_;
  Integer index_;
  TObject* object_ = nullptr;
  TColor color_ = clDefault;
  bool enabled_ = true;
  bool highlighted_ = false;
  Integer imageIndex_;
  bool selected_ = false;
  bool visible_ = true;
};

// The captions are the strings; the objects are owned TcxTab items.
class TcxTabs : public TStrings {
  KORVAN_CLASS(TcxTabs, TStrings)

 public:
  explicit TcxTabs(TcxCustomTabControl* control);
  ~TcxTabs() override;

  Integer Count() const override { return Integer(tabs_.size()); }
  void Clear() override;
  void Delete(Integer index) override;
  void Insert(Integer index, const String& s) override;
  void Move(Integer curIndex, Integer newIndex) override;
  TcxTab* Tabs(Integer index) const;
  TcxTab* operator()(Integer index) const { return Tabs(index); }
  TcxCustomTabControl* Control() const { return control_; }
  Integer TabNormalHeight = 0;

 protected:
  String Get(Integer index) const override;
  void Put(Integer index, const String& s) override;
  TObject* GetObject(Integer index) const override;
  void PutObject(Integer index, TObject* obj) override;
  // While updating, structural changes wait for one layout at the end.
  void SetUpdateState(bool updating) override;

 private:
  friend class TcxTab;
  void CheckIndex(Integer index, const char* operation, bool allowCount = false) const;
  void Renumber(Integer from);
  void StructureChanged();

  TcxCustomTabControl* control_;
  std::vector<std::unique_ptr<TcxTab>> tabs_;
  std::vector<String> captions_;
  bool updating_ = false;
  bool changedWhileUpdating_ = false;
};

// The ascending indexes of the visible tabs; lookups are binary searches.
class TcxVisibleTabList {
 public:
  Integer Count() const { return Integer(items_.size()); }
  // The absolute index of the tab at a visible position (raises outside the list).
  Integer TabIndexAt(Integer visibleIndex) const;
  // The visible position of a tab index, -1 when it is not visible.
  Integer IndexOf(Integer tabIndex) const;
  void Add(Integer tabIndex);
  void Remove(Integer tabIndex);
  void Clear() { items_.clear(); }
  const std::vector<Integer>& Items() const { return items_; }

 private:
  std::vector<Integer> items_;
};

class TcxTabSlants : public TPersistent {
  KORVAN_CLASS(TcxTabSlants, TPersistent)

 public:
  explicit TcxTabSlants(TcxCustomTabControl* control) : control_(control) {}
  void Assign(TPersistent* source) override;
  TcxTabSlantKind Kind() const { return kind_; }
  void SetKind(TcxTabSlantKind v);
  TcxTabSlantPositions Positions() const { return positions_; }
  void SetPositions(const TcxTabSlantPositions& v);
  TNotifyEvent OnChange;

 private:
  void Changed();
  TcxCustomTabControl* control_;
  TcxTabSlantKind kind_ = skSlant;
  TcxTabSlantPositions positions_{spLeft};
};

// Image rotation of the wrapper: none, 90 degrees one way (top-to-bottom text) or the other.
enum TcxPCImageRotation { irNone, irTopToBottom, irBottomToTop };

// The control's images with a change link and a free notification; rotated copies of the
// images are kept per background colour and made again when it changes.
class TcxPCImageList : public TComponent {
  KORVAN_CLASS(TcxPCImageList, TComponent)

 public:
  explicit TcxPCImageList(TcxCustomTabControl* control);
  ~TcxPCImageList() override;
  TCustomImageList* BaseImages() const { return baseImages_; }
  void SetBaseImages(TCustomImageList* v);
  TcxPCImageRotation Rotation() const { return rotation_; }
  void SetRotation(TcxPCImageRotation v);
  Integer Count() const { return baseImages_ ? baseImages_->Count() : 0; }
  // The image size as drawn (exchanged when rotated).
  Integer Width() const;
  Integer Height() const;
  void Draw(TcxCanvas* canvas, Integer x, Integer y, Integer index, TColor backgroundColor, bool enabled);
  std::function<void()> OnChange;

 protected:
  void Notification(TComponent* c, TOperation op) override;

 private:
  void ImagesChanged(TObject* sender);
  void FreeRotatedImages();
  TcxCustomTabControl* control_;
  TCustomImageList* baseImages_ = nullptr;
  TChangeLink link_;
  TcxPCImageRotation rotation_ = irNone;
  struct TRotated {
    std::unique_ptr<TBitmap> Bitmap;
    TColor Background = clNone;
  };
  std::vector<TRotated> rotated_;
};

// ---- painter base --------------------------------------------------------------------------

// The strip geometry for a set of navigator buttons, in strip coordinates: along the strip
// (x for horizontal strips) and across it.
struct TcxPCTabsArea {
  Integer AlongStart = 0, AlongEnd = 0;    // where tabs run
  Integer AcrossStart = 0, AcrossEnd = 0;  // first start-side row begins, last end-side row ends
  Integer AlongNear = 0, AlongFar = 0;     // limits of the tab areas along
  Integer AcrossNear = 0, AcrossFar = 0;   // limits of the tab areas across
  Integer StartAreaOverlap = 0;            // how far the start area reaches past its rows
  Integer EndAreaOverlap = 0;              // how far the end area begins before its rows
  Integer Separation = 0;                  // kept between the start and end areas
  Integer Length() const { return AlongEnd - AlongStart; }
};

struct TcxPCTabImageAndTextInfo {
  Integer TabVisibleIndex = -1;
  TRect ImageRect;
  TRect TextRect;
};

struct TcxPCNavigatorButtonPosition {
  TcxPCNavigatorButton Button;
  TRect Bounds;
};

class TcxPCCustomPainter;

// What painters read of the control.
class TcxPCPainterParentInfo {
 public:
  explicit TcxPCPainterParentInfo(TcxCustomTabControl* control) : control_(control) {}
  TcxCustomTabControl* Control() const { return control_; }
  TcxCanvas* Canvas() const;
  TFont* Font() const;
  TColor Color() const;
  Integer ImageBorder() const;
  bool HideTabs() const;
  bool MultiLine() const;
  TcxPCNavigatorPosition NavigatorPosition() const;
  TcxPCOptions Options() const;
  bool RaggedRight() const;
  bool Rotate() const;
  bool ScrollOpposite() const;
  bool ShowFrame() const;
  Integer TabHeight() const;
  Integer TabWidth() const;
  TcxTabPosition TabPosition() const;
  TcxTabSlants* TabSlants() const;
  Integer Width() const;
  Integer Height() const;
  Integer MainTabVisibleIndex() const;
  TcxPCNavigatorButtons NavigatorButtons() const;
  TcxPCNavigatorButtonState NavigatorButtonState(TcxPCNavigatorButton b) const;
  Integer RowCount() const;
  Integer RowsAtStart() const;
  TRect StartTabArea() const;
  TRect EndTabArea() const;
  TcxTab* VisibleTabs(Integer visibleIndex) const;
  Integer VisibleTabCount() const;
  TWinControl* PageOfTab(TcxTab* tab) const;
  TWinControl* PageOfMainTab() const;
  TColor PageColor(TWinControl* page) const;
  bool TabAreasOnBothSides() const;
  TColor TabColor(TcxTab* tab) const;
  TcxPCImageList* Images() const;
  bool HasImages() const;
  bool Focused() const;
  bool Enabled() const;
  bool OwnerDraw() const;

 private:
  TcxCustomTabControl* control_;
};

// One instance per control; made by the factory for the control's style.
class TcxPCCustomPainter : public TObject {
  KORVAN_CLASS(TcxPCCustomPainter, TObject)

 public:
  explicit TcxPCCustomPainter(TcxCustomTabControl* control);
  ~TcxPCCustomPainter() override;
  virtual TcxPCPainterClass PainterClass() const = 0;

  TcxCustomTabControl* Control() const { return control_; }
  TcxPCPainterParentInfo* ParentInfo() { return &parentInfo_; }
  const TcxPCTabImageAndTextInfo& ImageAndTextInfo() const { return imageAndText_; }

  // Sizes.
  virtual Integer CalculateTabNormalWidth(TcxTab* tab) = 0;
  virtual Integer GetTabNormalHeight() = 0;
  virtual TRect GetTabRectCorrection(Integer visibleIndex) { return TRect(); }
  virtual Integer GetMinTabWidth(Integer visibleIndex) = 0;
  virtual TPoint GetTabsDistance() { return TPoint(); }
  virtual void CalculateTabsArea(const TcxPCNavigatorButtons& buttons, TcxPCTabsArea& area) = 0;
  virtual void PrepareToPaint() {}
  virtual bool IsPointInTab(Integer visibleIndex, const TPoint& p) { return true; }
  virtual Integer GetNavigatorButtonAtPoint(const TPoint& p) = 0;  // -1: none
  virtual TRect GetGoDialogButtonBounds() = 0;
  virtual bool IsNativePainting() { return false; }
  virtual bool NeedsRedrawOnResize() { return IsNativePainting(); }
  virtual bool HasFrame() { return parentInfo_.ShowFrame(); }
  virtual bool UsesPageColorForTabs() { return false; }

  // Page area.
  virtual TRect GetPageClientRect();
  virtual TRect GetPageFrameRect();
  virtual Integer GetFrameWidth() { return 0; }
  virtual TColor GetPageColor();
  virtual void PaintPageClientArea(TcxCanvas* canvas, const TRect& r);

  // Content of a tab.
  virtual void GetImageOffsets(Integer visibleIndex, Integer offsets[4]) = 0;
  virtual void GetImageOnlyOffsets(Integer visibleIndex, Integer offsets[2]) = 0;
  virtual void GetTextOffsets(Integer visibleIndex, Integer offsets[4]) = 0;
  virtual Integer GetImageTextDistance(Integer visibleIndex) = 0;
  virtual void GetContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) = 0;
  virtual void GetTruncatedContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) = 0;
  virtual TColor GetTabBackgroundColor(Integer visibleIndex) = 0;
  virtual TColor GetTabColor(Integer visibleIndex);
  virtual bool IsTabActiveLook(Integer visibleIndex) = 0;
  virtual bool IsTabBackgroundShared(Integer visibleIndex) { return false; }
  // Lays out the image and caption of a tab into ImageAndTextInfo().
  virtual void CalculateImageAndTextRects(Integer visibleIndex);
  virtual void PaintTabImageAndText(TcxCanvas* canvas, Integer visibleIndex);
  virtual void DoDrawTabEx(TcxCanvas* canvas, Integer visibleIndex);

  // Painting.
  void Paint(TcxCanvas* canvas);
  virtual void DoPaint(TcxCanvas* canvas);
  virtual void PaintButtons(TcxCanvas* canvas) = 0;
  virtual void PaintTabs(TcxCanvas* canvas) = 0;
  virtual void PaintFrameAndPage(TcxCanvas* canvas);
  virtual void PaintFrame(TcxCanvas* canvas) = 0;
  virtual void PaintTabBackgroundToBitmap(TcxCanvas* canvas, Integer visibleIndex, const TRect& r) {}
  virtual TcxRegion* GetTabClipRegion(Integer visibleIndex);
  virtual Integer GetTabClipMode(Integer visibleIndex) { return roIntersect; }
  // The theme part and state of a tab under native painting.
  virtual void GetThemeTabPart(Integer visibleIndex, Integer& part, Integer& state) { part = state = 0; }

  // Repainting.
  virtual void InvalidateTab(Integer visibleIndex);
  virtual void RepaintNavigatorButton(TcxPCNavigatorButton button) {}
  virtual void RepaintNavigatorButtons() {}
  virtual void RepaintTab(Integer visibleIndex, TcxTabChangeKind kind) {}

  // Helpers for descendants.
  bool IsVerticalStrip() const;
  bool IsVerticalText() const;
  bool IsTopToBottomText() const;
  // The side code of a tab (1..12) from its side and text orientation.
  Integer GetTabSideCode(Integer visibleIndex) const;
  // The height of a caption line ("Zg") in the control's font.
  Integer CaptionTextHeight();
  Integer CaptionTextWidth(const String& caption);
  bool TabHasImage(Integer visibleIndex);
  void SaveClip(TcxCanvas* canvas);
  void RestoreClip(TcxCanvas* canvas);
  // Client rectangle from strip coordinates.
  TRect StripRect(Integer along1, Integer across1, Integer along2, Integer across2) const;

 protected:
  TcxPCTabImageAndTextInfo imageAndText_;

 private:
  TcxCustomTabControl* control_;
  TcxPCPainterParentInfo parentInfo_;
  std::vector<TcxRegion*> savedClips_;
};

// ---- the tab control -----------------------------------------------------------------------

using TcxPCCanCloseEvent = std::function<void(TObject* sender, bool& canClose)>;
using TcxPageChangingEvent = std::function<void(TObject* sender, TcxTabSheet* newPage, bool& allowChange)>;
using TcxTabChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;
using TcxDrawTabEvent = std::function<void(TcxCustomTabControl* control, TcxTab* tab, bool& defaultDraw)>;
using TcxDrawTabExEvent = std::function<void(TcxCustomTabControl* control, TcxTab* tab, TFont* font)>;
using TcxGetTabImageEvent = std::function<void(TObject* sender, Integer tabIndex, Integer& imageIndex)>;

class TcxCustomTabControl : public TcxControl {
  KORVAN_CLASS(TcxCustomTabControl, TcxControl)

 public:
  explicit TcxCustomTabControl(TComponent* owner);
  ~TcxCustomTabControl() override;
  void BeforeDestruction() override;

  // Properties.
  TcxTabs* Tabs() const { return tabs_.get(); }
  void SetTabs(TcxTabs* v) { tabs_->Assign(v); }
  Integer TabIndex() const { return tabIndex_; }
  void SetTabIndex(Integer v);
  bool Focusable() const { return focusable_; }
  void SetFocusable(bool v) { focusable_ = v; }
  bool HideTabs() const { return hideTabs_; }
  void SetHideTabs(bool v);
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool v);
  Integer ImageBorder() const { return imageBorder_; }
  void SetImageBorder(Integer v);
  TCustomImageList* Images() const { return images_->BaseImages(); }
  void SetImages(TCustomImageList* v);
  Integer MaxRotatedTabWidth() const { return maxRotatedTabWidth_; }
  void SetMaxRotatedTabWidth(Integer v);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool v);
  TcxPCNavigatorPosition NavigatorPosition() const { return navigatorPosition_; }
  void SetNavigatorPosition(TcxPCNavigatorPosition v);
  TcxPCOptions Options() const { return options_; }
  void SetOptions(const TcxPCOptions& v);
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool v);
  bool RaggedRight() const { return raggedRight_; }
  void SetRaggedRight(bool v);
  bool Rotate() const { return rotate_; }
  void SetRotate(bool v);
  bool ScrollOpposite() const { return scrollOpposite_; }
  void SetScrollOpposite(bool v);
  bool ShowFrame() const { return showFrame_; }
  void SetShowFrame(bool v);
  TcxPCStyleID Style() const { return style_; }
  void SetStyle(TcxPCStyleID v);
  Integer TabHeight() const { return tabHeight_; }
  void SetTabHeight(Integer v);
  TcxTabPosition TabPosition() const { return tabPosition_; }
  void SetTabPosition(TcxTabPosition v);
  TcxTabSlants* TabSlants() const { return tabSlants_.get(); }
  void SetTabSlants(TcxTabSlants* v) { tabSlants_->Assign(v); }
  Integer TabWidth() const { return tabWidth_; }
  void SetTabWidth(Integer v);

  TcxPCCanCloseEvent OnCanClose;
  TNotifyEvent OnChange;
  TcxTabChangingEvent OnChanging;
  TcxDrawTabEvent OnDrawTab;
  TcxDrawTabExEvent OnDrawTabEx;
  TcxGetTabImageEvent OnGetImageIndex;

  // State read by painters and tests.
  TcxPCCustomPainter* Painter() const { return painter_; }
  TcxPCImageList* ImageWrapper() const { return images_.get(); }
  TcxVisibleTabList& VisibleTabList() { return visibleTabs_; }
  Integer VisibleTabCount() const { return visibleTabs_.Count(); }
  TcxTab* VisibleTabs(Integer visibleIndex) const;
  Integer FirstVisibleTab() const { return firstVisibleTab_; }
  Integer LastVisibleTab() const { return lastVisibleTab_; }
  bool AllTabsFit() const { return allTabsFit_; }
  Integer RowCount() const { return rowCount_; }
  Integer RowsAtStart() const { return rowsAtStart_; }
  TRect StartTabArea() const { return startTabArea_; }
  TRect EndTabArea() const { return endTabArea_; }
  const TcxPCTabsArea& TabsArea() const { return tabsArea_; }
  Integer RowThickness() const { return rowThickness_; }
  Integer RotatedTextWidth() const { return rotatedTextWidth_; }
  Integer MainTab() const { return mainTab_; }
  Integer HotTab() const { return hotTab_; }
  Integer PressedTab() const { return pressedTab_; }
  Integer TrackingTab() const { return trackingTab_; }
  TcxPCNavigatorButtons NavigatorButtons() const { return navigatorButtons_; }
  TcxPCNavigatorButtonState NavigatorButtonState(TcxPCNavigatorButton b) const { return buttonStates_[b]; }
  TcxPCNavigatorButtons HotButtons() const { return hotButtons_; }
  TcxPCNavigatorButtons PressedButtons() const { return pressedButtons_; }
  bool MultiSelectionMode() const { return multiSelection_; }
  bool GoDialogShown() const { return goDialogShown_; }
  TcxPCGoDialog* GoDialog() const { return goDialog_; }
  TcxTimer* ArrowTimer() const { return timer_; }
  bool IsTabsReversed() const;
  bool IsVerticalStrip() const { return tabPosition_ == tpLeft || tabPosition_ == tpRight; }
  bool IsVerticalText() const { return IsVerticalStrip() != rotate_; }
  // The visible index of the tab whose rectangle holds the point, -1 when none.
  Integer GetTabIndexAtPoint(const TPoint& p);
  // The client rectangle the pages take (stored as "ClientRect...").
  TRect GetPageClientRect();
  bool ChangeEventsLocked() const;
  void LockChangeEvents() { ++lockCount_; }
  void UnlockChangeEvents() { --lockCount_; }

  // Layout entry points.
  void LayoutChanged();
  void CalculateTabNormalSizes();
  void ScrollTabs(Integer count);
  void MakeTabVisible(Integer visibleIndex);
  void TabChanged(TcxTab* tab, TcxTabChangeKind kind);
  void RepaintTab(Integer visibleIndex, TcxTabChangeKind kind);

  // Virtual operations of the tab control.
  virtual void DrawTabHook(TcxCanvas* canvas, TcxTab* tab, const TcxPCTabImageAndTextInfo& info) {}
  virtual bool CanClose();
  virtual void DoClose();
  virtual bool DialogCharToTab(char32_t ch);
  virtual bool CanSelectTab(Integer tabIndex);
  virtual TWinControl* GetPageOfMainTab() { return nullptr; }
  virtual Integer GetTabImageIndex(Integer tabIndex);
  virtual TWinControl* GetPageOfTab(Integer tabIndex) { return nullptr; }
  virtual void GoDialogTabSelected(Integer tabIndex);
  virtual void ImagesChanged();
  virtual bool DoKeyDown(Word key, TShiftState shift);
  virtual void PrepareTabFont(TFont* font, Integer visibleIndex);
  virtual bool SelectsOnlyVisibleTabs() { return false; }
  virtual bool PrintsClient() { return true; }

  // Input entry points (also used by the message handlers).
  void SelectTabByClick(Integer visibleIndex, bool ctrl);
  void OpenGoDialog();
  void UpdateHotTracking();

  // Framework.
  void Loaded() override;
  void WndProc(TMessage& m) override;
  void WMGetDlgCode(TMessage& m) override;
  void CMDialogKey(TMessage& m) override;
  void CMDialogChar(TMessage& m) override;
  void CMFontChanged(TMessage& m) override;
  void CMEnabledChanged(TMessage& m) override;
  bool WantsScrollBars() override { return false; }
  bool FocusesOnClickAt(Integer x, Integer y) override;
  void LookAndFeelUpdated(TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed) override;
  void NotifyMouseLeave(TControl* control) override;

  // Stored client rectangle read from a form.
  TRect ReadClientRect() const { return readClientRect_; }
  bool ClientRectWasRead() const { return clientRectRead_; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Paint() override;
  void Resize() override;
  void AdjustClientRect(TRect& r) override;
  void DefineProperties(TFiler* filer) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  bool DoMouseWheel(TShiftState shift, Integer delta, TPoint mousePos) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void DoEnter() override;
  void DoExit() override;

  // Change events and the selection step.
  virtual bool CanChange(Integer newTabIndex);
  virtual void Change();
  void SetMainTabFromTabIndex();
  void UpdateButtonsState();
  void InvalidateWithChildrenIfNeeded();
  bool IsLoadingOrDestroying() const;
  void ChoosePainter();
  bool inserting_ = false;

 private:
  friend class TcxTab;
  friend class TcxTabs;
  friend class TcxPCPainterParentInfo;
  friend class TcxPageControl;

  // Layout (cxPCLayout.cpp).
  void CalculateTabsLayout();
  void CalculateSingleLine();
  void CalculateMultiLine();
  // Places visible tabs from `first` along the strip; returns whether all tabs up to the last
  // fit.
  bool PlaceTabsInLine(Integer first, Integer last, bool stopAtEnd, Integer acrossPos);
  void ArrangeTabRows(Integer length, Integer gap);
  void BalanceTabRows(Integer firstVisible, Integer lastVisible, Integer length, Integer gap);
  void PlaceTabsInRows(Integer length, Integer gap);
  void CalculateRotatedTabWidth();
  void AssignVisibleRows();
  void PlaceRows();
  void CalculateTabAreas();
  bool TabsFitFrom(Integer first, Integer last);
  void ScrollOneStep(bool towardsEnd);
  bool IsArrowEnabled(TcxPCNavigatorButton b) const;
  void SetButtonState(TcxPCNavigatorButton b, TcxPCNavigatorButtonState s);
  // Moves a tab state (hot, pressed, tracking) and repaints the two tabs concerned.
  void ChangeTabState(Integer& field, Integer visibleIndex, TcxTabChangeKind kind);
  void SetHotTab(Integer visibleIndex);
  void SetPressedTab(Integer visibleIndex);
  void SetTrackingTab(Integer visibleIndex);
  void CancelButtonPress();
  void ArrowTimerTick(TObject* sender);
  void ClearHover();
  Integer FindNextEnabledTab(Integer from, bool forward, bool wrap);

  std::unique_ptr<TcxTabs> tabs_;
  TcxVisibleTabList visibleTabs_;
  std::unique_ptr<TcxPCImageList> images_;
  TcxPCCustomPainter* painter_ = nullptr;
  std::unique_ptr<TcxTabSlants> tabSlants_;
  TcxPCGoDialog* goDialog_ = nullptr;
  TcxTimer* timer_ = nullptr;
  Integer tabIndex_ = -1;
  bool focusable_ = true;
  bool hideTabs_ = false;
  bool hotTrack_ = false;
  Integer imageBorder_ = 0;
  Integer maxRotatedTabWidth_ = 0;
  bool multiLine_ = false;
  TcxPCNavigatorPosition navigatorPosition_ = npRightTop;
  TcxPCOptions options_ = cxPCDefaultOptions;
  bool ownerDraw_ = false;
  bool raggedRight_ = false;
  bool rotate_ = false;
  bool scrollOpposite_ = false;
  bool showFrame_ = false;
  TcxPCStyleID style_ = cxPCDefaultStyle;
  Integer tabHeight_ = 0;
  TcxTabPosition tabPosition_ = tpTop;
  Integer tabWidth_ = 0;

  // Layout state.
  Integer firstVisibleTab_ = -1;
  Integer lastVisibleTab_ = -1;
  bool allTabsFit_ = true;
  Integer rowCount_ = 0;
  Integer rowsAtStart_ = 0;
  TRect startTabArea_, endTabArea_;
  TcxPCTabsArea tabsArea_;
  Integer rowThickness_ = 0;
  Integer rotatedTextWidth_ = 0;
  Integer mainTab_ = -1;
  Integer hotTab_ = -1;
  Integer pressedTab_ = -1;
  Integer trackingTab_ = -1;
  bool layoutInProgress_ = false;

  TcxPCNavigatorButtons navigatorButtons_;
  TcxPCNavigatorButtonState buttonStates_[4] = {nbsNormal, nbsNormal, nbsNormal, nbsNormal};
  TcxPCNavigatorButtons hotButtons_, pressedButtons_;
  bool goDialogShown_ = false;
  bool multiSelection_ = false;
  Integer lockCount_ = 0;
  TRect readClientRect_;
  bool clientRectRead_ = false;
  Integer pressedTabAtDown_ = -1;
};

// A tab control whose tabs are its own strings.
class TcxTabControl : public TcxCustomTabControl {
  KORVAN_CLASS(TcxTabControl, TcxCustomTabControl)

 public:
  explicit TcxTabControl(TComponent* owner);
};

// ---- the page control ----------------------------------------------------------------------

class TcxPageControl : public TcxCustomTabControl {
  KORVAN_CLASS(TcxPageControl, TcxCustomTabControl)

 public:
  explicit TcxPageControl(TComponent* owner);
  ~TcxPageControl() override;

  TcxTabSheet* ActivePage() const { return activePage_; }
  void SetActivePage(TcxTabSheet* page);
  Integer ActivePageIndex() const;
  void SetActivePageIndex(Integer v);
  Integer PageCount() const { return Integer(pages_.size()); }
  TcxTabSheet* Pages(Integer index) const;
  TcxTabSheet* FindNextPage(TcxTabSheet* current, bool goForward, bool checkTabVisible);
  void SelectNextPage(bool goForward, bool checkTabVisible = true);

  TcxPageChangingEvent OnPageChanging;

  TWinControl* GetPageOfMainTab() override;
  TWinControl* GetPageOfTab(Integer tabIndex) override;
  bool SelectsOnlyVisibleTabs() override { return true; }
  bool PrintsClient() override { return false; }
  void DoClose() override;
  void ImagesChanged() override;
  void Loaded() override;
  bool FocusesOnClickAt(Integer x, Integer y) override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

  // Docking: a control docked onto the page control gets a sheet of its own.
  bool DockSite() const;
  void SetDockSite(bool v);
  // The sheet made for the last control docked (nullptr when it sat on a sheet already).
  TcxTabSheet* NewDockSheet() const { return newDockSheet_; }
  // The sheet that holds a docked control (nullptr when the control is not docked here).
  TcxTabSheet* DockedSheetOf(TControl* client) const;
  void WndProc(TMessage& m) override;

 protected:
  virtual void DockClientToPage(TControl* client);
  virtual void UndockClient(TControl* newTarget, TControl* client);
  virtual void ControlChange(TControl* client, const TMessage& change);
  void DblClick() override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  bool CanChange(Integer newTabIndex) override;
  void Change() override;
  void ShowControl(TControl* c) override;
  void Notification(TComponent* c, TOperation op) override;

 private:
  friend class TcxTabSheet;
  void ChangeActivePage(TcxTabSheet* page);
  void InsertPage(TcxTabSheet* page);
  void RemovePage(TcxTabSheet* page);
  void MovePage(TcxTabSheet* page, Integer newIndex);
  void UpdateTabFromPage(TcxTabSheet* page);
  void SyncActivePageWithTab();
  bool CallPageChanging(TcxTabSheet* page);

  std::vector<TcxTabSheet*> pages_;
  TcxTabSheet* activePage_ = nullptr;
  bool changingPage_ = false;
  TcxTabSheet* newDockSheet_ = nullptr;
  TcxTabSheet* undockingPage_ = nullptr;
};

class TcxTabSheet : public TCustomControl {
  KORVAN_CLASS(TcxTabSheet, TCustomControl)

 public:
  explicit TcxTabSheet(TComponent* owner);
  ~TcxTabSheet() override;

  TcxPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TcxPageControl* v);
  TcxTab* Tab() const;
  String Caption() const { return GetText(); }
  void SetCaption(const String& v) { SetText(v); }
  bool Highlighted() const { return highlighted_; }
  void SetHighlighted(bool v);
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer v);
  Integer PageIndex() const;
  void SetPageIndex(Integer v);
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool v);
  Integer TabIndex() const;

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

  void SetParent(TWinControl* parent) override;
  void SetParentComponent(TComponent* value) override;
  TComponent* GetParentComponent() const override;
  void CMTextChanged(TMessage& m) override;
  void CMEnabledChanged(TMessage& m) override;
  void CMColorChanged(TMessage& m) override;
  void CMShowingChanged(TMessage& m) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void WMEraseBkgnd(TMessage& m) override;

 private:
  friend class TcxPageControl;
  void UpdateTab();
  TcxPageControl* pageControl_ = nullptr;
  bool highlighted_ = false;
  Integer imageIndex_ = -1;
  bool tabVisible_ = true;
  bool wasShowing_ = false;
};

// Unit start: the painters are registered, the classes made known to form descriptions.
void InitializeCxPC();
