// The view framework of the grid:
// - hit tests and their pool (one object per hit-test class);
// - cell view infos (every visible element of a view) and their short-lived cell painters;
// - the view companions: TcxGridViewHandler and its descendants, the view info that owns the
//   view's window (the site), the view-info cache, the view painter and the view data;
// - the site (TcxGridSite) and the base view controller, which turn input into calls on cells;
// - option and style sets, listener links and TcxCustomGridView itself with its update
//   bracket, its changes and the synchronisation of detail clones with their pattern;
// - the registry of view classes.
// Sources: cxGridCustomView.cpp (the view, options, registry, unit start),
// cxGridCustomViewCells.cpp (hit tests, cells, painters, view info, cache),
// cxGridCustomViewSite.cpp (site and controller).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "foundation/cxClasses.h"
#include "foundation/cxControls.h"
#include "foundation/cxGraphics.h"
#include "foundation/cxStyles.h"
#include "grid/cxGridCommon.h"

class TcxCustomDataController;
class Variant;
class TcxCustomDataRelation;
class TcxUpdateControlInfo;
class TcxCustomGridCellViewInfo;
class TcxCustomGridController;
class TcxCustomGridCustomizationForm;
class TcxCustomGridPainter;
class TcxCustomGridView;
class TcxCustomGridViewData;
class TcxCustomGridViewInfo;
class TcxCustomGridViewInfoCache;
class TcxGridLevel;
class TcxGridSite;

// ---- hit tests ----------------------------------------------------------------------------------

class TcxCustomGridHitTest : public TObject {
  KORVAN_CLASS(TcxCustomGridHitTest, TObject)

 public:
  TcxCustomGridHitTest() = default;
  ~TcxCustomGridHitTest() override;
  // Class-level answers (the pool holds one object per class).
  virtual Integer GetHitTestCode() { return -1; }
  virtual TCursor GetCursor() { return crDefault; }
  virtual TcxDragAndDropObjectClass DragAndDropObjectClass() { return nullptr; }

  TcxCustomGridCellViewInfo* ViewInfo() const { return viewInfo_; }
  // Two-way: the cell that held this hit test drops its back reference, the new one takes it.
  void SetViewInfo(TcxCustomGridCellViewInfo* v);
  TPoint Pos() const { return pos_; }
  void SetPos(const TPoint& p) { pos_ = p; }

 private:
  TcxCustomGridCellViewInfo* viewInfo_ = nullptr;
  TPoint pos_;
};
using TcxCustomGridHitTestClass = TClass;

class TcxCustomGridViewHitTest : public TcxCustomGridHitTest {
  KORVAN_CLASS(TcxCustomGridViewHitTest, TcxCustomGridHitTest)

 public:
  TcxCustomGridView* GridView() const { return gridView_; }
  void SetGridView(TcxCustomGridView* v) { gridView_ = v; }

 private:
  TcxCustomGridView* gridView_ = nullptr;
};

class TcxGridNoneHitTest : public TcxCustomGridHitTest {
  KORVAN_CLASS(TcxGridNoneHitTest, TcxCustomGridHitTest)

 public:
  Integer GetHitTestCode() override { return 0; }
};

class TcxGridViewNoneHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridViewNoneHitTest, TcxCustomGridViewHitTest)

 public:
  Integer GetHitTestCode() override { return 0; }
};

class TcxGridCustomizationFormHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridCustomizationFormHitTest, TcxCustomGridViewHitTest)

 public:
  Integer GetHitTestCode() override { return 2; }
};

// The pool: at most one hit test per class; a pooled hit test is valid until the next
// request of its class.
class TGridHitTests : public TObject {
 public:
  ~TGridHitTests() override;
  TcxCustomGridHitTest* GetPooledInstance(TClass cls, const TPoint& p);
  Integer Count() const { return Integer(items_.size()); }

 private:
  std::vector<TcxCustomGridHitTest*> items_;
};
TGridHitTests* GridHitTests();

template <class T>
T* GetPooledHitTest(const TPoint& p) {
  return static_cast<T*>(GridHitTests()->GetPooledInstance(T::StaticClass(), p));
}

// ---- cells ----------------------------------------------------------------------------------------

// A popup that a cell may own (the grid popups come with the moving objects).
class IcxCustomGridPopup {
 public:
  virtual ~IcxCustomGridPopup() = default;
  virtual TcxCustomGridCellViewInfo* PopupOwner() = 0;
  virtual void SetPopupOwner(TcxCustomGridCellViewInfo* owner) = 0;
  virtual bool PopupVisible() = 0;
  virtual void PopupShow() = 0;
};

class TcxCustomGridCellPainter;
using TcxCustomGridCellPainterClass = TClass;

class TcxCustomGridCellViewInfo : public TObject, public IcxMouseTrackingArea {
  KORVAN_CLASS(TcxCustomGridCellViewInfo, TObject)

 public:
  TcxCustomGridCellViewInfo();
  ~TcxCustomGridCellViewInfo() override;
  void BeforeDestruction() override;

  // IcxMouseTrackingArea
  void MouseLeave() override;
  bool PtInCaller(const TPoint& p) override { return HasPoint(p); }

  virtual void ResetHotTrackState();
  virtual void AfterCalculateBounds();
  virtual void AfterCustomDraw(TcxCanvas* canvas);
  virtual void BeforeCustomDraw(TcxCanvas* canvas);
  virtual void StateChanging() {}
  virtual TRect CalculateInnerBounds();
  virtual TRect CalculateContentBounds() { return InnerBounds(); }
  virtual Integer CalculateHeight() { return Bounds.Height(); }
  virtual Integer CalculateWidth() { return Bounds.Width(); }
  virtual bool CaptureMouseOnPress() { return false; }
  virtual void Click() {}
  virtual bool CustomDraw(TcxCanvas* canvas) { return false; }
  virtual bool CustomDrawBackground(TcxCanvas* canvas) { return false; }
  virtual void CalculateTextAndParams();
  virtual void Invalidate();
  virtual bool DoCustomDraw(TcxCanvas* canvas);
  virtual bool DoCustomDrawBackground(TcxCanvas* canvas);
  virtual TcxGridCellState GetState() { return state_; }
  virtual TAlignment GetAlignmentHorz() { return taLeftJustify; }
  virtual TcxAlignmentVert GetAlignmentVert() { return vaTop; }
  virtual TRect GetAreaClipBounds() { return TRect(); }
  virtual TBitmap* GetBackgroundBitmap() { return Params.Bitmap; }
  virtual TRect GetSideBorderRect(TcxBorder side);
  virtual TColor GetBorderColor(TcxBorder side) { return clDefault; }
  virtual TcxBorders GetBorders() { return TcxBorders(); }
  virtual Integer GetBorderWidth(TcxBorder side) { return 0; }
  virtual TcxCanvas* GetCanvas() { return nullptr; }
  virtual Integer AddTextMargins(Integer size) { return size + 4; }
  virtual Integer GetContentHeight() { return ContentBounds().Height(); }
  virtual Integer GetContentWidth() { return ContentBounds().Width(); }
  virtual TcxControl* GetControl();
  virtual TRect GetFocusRect();
  virtual Integer GetFocusRectWidth() { return 2; }
  virtual Integer GetHeight() { return Bounds.Height(); }
  virtual TClass GetHitTestClass() = 0;
  virtual bool IsHotTrackable() { return HasPopup(); }
  virtual bool HasPopup() { return GetPopup() != nullptr; }
  virtual bool HasFocusRect() { return false; }
  virtual bool IsVisibleForHitTest() { return IsCellVisible(); }
  virtual bool IsCapturingMouse();
  virtual bool CalculateMultiLine() { return false; }
  virtual bool CalculateMultiLinePainting() { return multiLine_; }
  virtual TcxCustomGridCellPainterClass GetPainterClass();
  virtual bool ShowEndEllipsis() { return false; }
  virtual String GetText() { return String(); }
  virtual TRect GetTextAreaBounds();
  virtual TcxTextFlags GetTextAttributes(bool forPainting);
  virtual String GetDisplayText() { return Text; }
  virtual bool HasBackgroundBitmap() { return GetBackgroundBitmap() != nullptr; }
  virtual void GetViewParams(TcxStyleParams& params) {}
  virtual bool IsCellVisible() { return Visible; }
  virtual bool IsVisible() { return IsCellVisible(); }
  virtual Integer GetDisplayWidth() { return Bounds.Width(); }
  virtual bool HasBackground() { return true; }
  virtual bool HasCustomDraw() { return false; }
  virtual bool HasCustomDrawBackground() { return false; }
  virtual bool HasPoint(const TPoint& p);
  virtual bool HitTestBelongs(TcxCustomGridHitTest* hitTest);
  virtual void InitHitTest(TcxCustomGridHitTest* hitTest);
  virtual bool InvalidateOnStateChange() { return true; }
  virtual void OffsetBounds(Integer dx, Integer dy);
  virtual void RestoreParams(const TcxStyleParams& params) { Params = params; }
  virtual void SaveParams(TcxStyleParams& params) { params = Params; }
  virtual void SetBoundsHeight(Integer h);
  virtual void SetMouseCapture(bool capture);
  virtual void SetBoundsWidth(Integer w);
  virtual void StateChanged();
  virtual void ShowPopup();
  virtual void PopupClosed() { SetState(gcsNone); }
  virtual bool PopupClosesOnOwner() { return true; }
  virtual bool IsPopupOwner() { return false; }
  virtual IcxCustomGridPopup* GetPopup() { return nullptr; }
  virtual TRect GetPopupOwnerBounds() { return Bounds; }
  virtual void ResetCalculated() { calculated_ = false; }
  virtual void CalculateAt(Integer left, Integer top, Integer width = -1, Integer height = -1);
  virtual void CalculateInRect(const TRect& r);
  virtual TRect GetVisibleBounds() { return Bounds; }
  virtual Integer GetPreferredWidth();
  virtual TcxCustomGridHitTest* GetHitTest(const TPoint& p);
  virtual bool PtInBounds(const TPoint& p);
  virtual void InvalidateCell() { Invalidate(); }
  virtual bool MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift);
  virtual bool MouseMove(TcxCustomGridHitTest* hitTest, TShiftState shift);
  virtual bool MouseUp(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift);
  virtual void Paint(TcxCanvas* canvas = nullptr);

  // Text and parameters, computed once per calculation.
  void EnsureTextAndParams();
  Integer CalculateTextHeight(Integer angle = 0);
  Integer CalculateTextWidth();
  Integer CalculateHeightForText() { return CalculateTextHeight() + 4; }
  Integer CalculateWidthForText() { return CalculateTextWidth() + 4; }
  // The text's own rectangle inside the text area.
  TRect GetTextBounds(bool horizontal = true, bool vertical = true);
  virtual Integer GetTextCellHeight(TcxCustomGridViewInfo* gridViewInfo, TFont* font);

  TRect InnerBounds();
  TRect ContentBounds();
  Integer EffectiveBorderWidth(TcxBorder side) { return Borders.Contains(side) ? GetBorderWidth(side) : 0; }
  TcxGridCellState State() { return GetState(); }
  void SetState(TcxGridCellState v);
  bool MultiLine() const { return multiLine_; }
  bool MultiLinePainting() const { return multiLinePainting_; }
  bool Calculated() const { return calculated_; }
  bool Destroying() const { return destroying_; }
  TcxCustomGridHitTest* HitTest() const { return hitTest_; }

  TAlignment AlignmentHorz = taLeftJustify;
  TcxAlignmentVert AlignmentVert = vaTop;
  TcxBorders Borders;
  String Text;
  bool Visible = true;
  TRect Bounds;
  TcxStyleParams Params;

 private:
  friend class TcxCustomGridHitTest;
  TcxCustomGridHitTest* hitTest_ = nullptr;
  bool calculating_ = false, calculated_ = false, destroying_ = false;
  TcxGridCellState state_ = gcsNone;
  TRect innerBounds_, contentBounds_;
  bool multiLine_ = false, multiLinePainting_ = false;
};

// A cell of a view: its canvas and control are the view's site.
class TcxCustomGridViewCellViewInfo : public TcxCustomGridCellViewInfo {
  KORVAN_CLASS(TcxCustomGridViewCellViewInfo, TcxCustomGridCellViewInfo)

 public:
  using CreateArgType = TcxCustomGridViewInfo*;
  explicit TcxCustomGridViewCellViewInfo(TcxCustomGridViewInfo* gridViewInfo);
  ~TcxCustomGridViewCellViewInfo() override;

  TcxCustomGridViewInfo* GridViewInfo() const { return gridViewInfo_; }
  TcxCustomGridView* GridView() const;
  TcxCustomGridController* Controller() const;

  TcxCanvas* GetCanvas() override;
  TcxControl* GetControl() override;
  void Invalidate() override;
  void InvalidateCell() override;
  bool HitTestBelongs(TcxCustomGridHitTest* hitTest) override;
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  bool MouseMove(TcxCustomGridHitTest* hitTest, TShiftState shift) override;
  void CalculateAt(Integer left, Integer top, Integer width = -1, Integer height = -1) override;

  virtual bool HotTrackAfterCalculation() { return false; }
  virtual bool HasHint() { return false; }
  virtual TRect GetHintAreaBounds() { return GetAreaClipBounds(); }
  virtual TRect GetHintTextAreaBounds() { return GetTextAreaBounds(); }
  virtual String GetHintText() { return Text; }
  virtual void GetHintTextRect(const TPoint& p, TRect& r) { r = GetHintTextAreaBounds(); }
  virtual bool PtInHintArea(const TPoint& p);
  virtual void GetHintInfo(const TPoint& p, String& text, TRect& textRect, bool& isMultiLine);
  virtual bool IsHintForText() { return true; }
  virtual bool IsHintMultiLine() { return MultiLinePainting(); }
  virtual bool NeedsHint(const TPoint& p, String& text, TRect& textRect, bool& isMultiLine);
  // Shows the hint when the cell needs one at the point, cancels the controller's hint otherwise.
  void CheckHint(const TPoint& p);

 private:
  TcxCustomGridViewInfo* gridViewInfo_;
};

class TcxCustomGridCellPainter : public TObject {
  KORVAN_CLASS(TcxCustomGridCellPainter, TObject)

 public:
  TcxCustomGridCellPainter(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo)
      : canvas_(canvas), viewInfo_(viewInfo) {}
  TcxCanvas* Canvas() const { return canvas_; }
  TcxCustomGridCellViewInfo* ViewInfo() const { return viewInfo_; }

  virtual void DrawFocusRectIfNeeded();
  virtual void BeforePaint() {}
  virtual bool CanDrawFocusRect() { return true; }
  virtual void ExcludeFromClipRect();
  virtual void DrawBackground() { DrawBackground(viewInfo_->ContentBounds()); }
  virtual void DrawBackground(const TRect& r);
  virtual bool DrawBackgroundBitmap(TcxCanvas* canvas, const TRect& r);
  virtual void PaintBorderSide(TcxBorder side);
  virtual void DrawBorders();
  virtual void DrawContent();
  static void DrawFocusRect(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo);
  virtual void DrawText();
  virtual bool ExcludeFromClipping() { return false; }
  virtual bool IsVisible();
  virtual void DrawCell();
  virtual void BeforeDrawText() {}
  virtual void AfterDrawText() {}
  static void PaintFocus(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo);
  virtual void Paint();

 private:
  TcxCanvas* canvas_;
  TcxCustomGridCellViewInfo* viewInfo_;
};
// Painter classes are factories: the class of a cell names one.
using TcxGridCellPainterFactory = std::function<TcxCustomGridCellPainter*(TcxCanvas*, TcxCustomGridCellViewInfo*)>;
void RegisterGridCellPainterFactory(TClass painterClass, TcxGridCellPainterFactory factory);
TcxCustomGridCellPainter* CreateGridCellPainter(TClass painterClass, TcxCanvas* canvas,
                                                TcxCustomGridCellViewInfo* viewInfo);

// Cell state to look-and-feel button state: none 1 (normal), hot 2, pressed 3.
TcxButtonState GridCellStateToButtonState(TcxGridCellState state);
void AddCellTextIndents(Integer& size);

// ---- view companions ----------------------------------------------------------------------

class TcxGridViewHandler : public TcxInterfacedPersistent {
  KORVAN_CLASS(TcxGridViewHandler, TcxInterfacedPersistent)

 public:
  using CreateArgType = TcxCustomGridView*;
  explicit TcxGridViewHandler(TcxCustomGridView* gridView);
  TcxCustomGridView* GridView() const { return gridView_; }
  TcxControl* Control() const;
  TcxCustomGrid* Grid() const;
  TcxCustomGridController* Controller() const;
  TcxCustomDataController* DataController() const;
  TcxCustomGridPainter* Painter() const;
  TcxGridSite* Site() const;
  TcxCustomGridViewData* ViewData() const;
  TcxCustomGridViewInfo* ViewInfo() const;
  TcxCustomLookAndFeelPainterClass GetLookAndFeelPainter() const;
  void BeginUpdate();
  void EndUpdate();

 private:
  TcxCustomGridView* gridView_;
};

class TcxCustomGridViewData : public TcxGridViewHandler {
  KORVAN_CLASS(TcxCustomGridViewData, TcxGridViewHandler)

 public:
  explicit TcxCustomGridViewData(TcxCustomGridView* v) : TcxGridViewHandler(v) {}
};

class TcxCustomGridViewInfo : public TcxGridViewHandler {
  KORVAN_CLASS(TcxCustomGridViewInfo, TcxGridViewHandler)

 public:
  explicit TcxCustomGridViewInfo(TcxCustomGridView* gridView);
  ~TcxCustomGridViewInfo() override;
  // Makes the site (a C++ constructor cannot ask a descendant for its site class).
  void CreateSite();

  virtual void CreatePartViewInfos() {}
  virtual void DestroyPartViewInfos(bool isRecreating) {}
  virtual void Recalculate();
  virtual bool CanRemoveSite();
  virtual TClass GetSiteClass();
  virtual void CompleteCalculation();
  virtual void BeforeCalculation();
  virtual void Calculate() {}
  virtual TRect GetClientBounds() { return clientBounds_; }
  virtual void CalculateNeededHeight(Integer& height);
  virtual void CalculateNeededWidth(Integer maxWidth, Integer& width);
  virtual bool CanCheckCoordinates() { return !IsInternal() && checkCoordinates_; }
  virtual void ControlFocusChanged() {}
  virtual TcxCustomGridHitTest* GetContentHitTest(const TPoint& p);
  virtual bool CanRecalculate() { return !calculating_ && !updatingSiteVisibility_; }
  virtual TBitmap* GetBackgroundBitmap();
  virtual TColor GetBackgroundColor();
  virtual bool IsInternal() { return internal_; }
  virtual bool CanUpdateSiteVisibility();
  virtual void InitHitTest(TcxCustomGridHitTest* hitTest);
  virtual void SetSiteVisible(bool visible);
  virtual TcxCustomGridHitTest* GetHitTest(const TPoint& p);
  TcxCustomGridHitTest* GetHitTest(Integer x, Integer y) { return GetHitTest(TPoint(x, y)); }
  // The width that the view keeps left of its horizontal scroll bar (the record views' navigator).
  virtual Integer HScrollBarLeftIndent() { return 0; }
  // The size the view takes inside a details site of the given maximum client size (the
  // record views measure their records; the base takes all of it).
  virtual void GetHeight(const TPoint& maxSize, Integer& height, bool& fullyVisible);
  virtual Integer GetWidth(const TPoint& maxSize) { return maxSize.X; }
  // The details site that shows the view appears or goes: a view whose site goes hides its
  // own site (parked while it holds the focus); the next placement shows it again.
  virtual void VisibilityChanged(bool visible);

  void PlaceAndCalculate(const TRect& bounds);
  void UpdateSiteVisibility(bool useViewVisibility);
  TcxCanvas* GetCanvas();
  TRect ClientBounds() { return GetClientBounds(); }
  void SetClientBounds(const TRect& r) { clientBounds_ = r; assignedClientBounds_ = true; }
  Integer ClientWidth() { return ClientBounds().Width(); }
  Integer ClientHeight() { return ClientBounds().Height(); }
  bool IsInternalInstance();
  Integer GetFontHeight(TFont* font);
  Integer NeededHeight();
  Integer NeededWidth(Integer maxWidth);
  TcxGridSite* SiteWindow() const { return site_; }
  bool Calculating() const { return calculating_; }
  bool UpdatingSiteVisibility() const { return updatingSiteVisibility_; }
  bool CalculatingNeededSize() const { return calculatingNeededSize_; }
  TPoint MousePos() const { return mousePos_; }
  bool MayHideSite() const { return mayHideSite_; }
  void SetMayHideSite(bool v) { mayHideSite_ = v; }
  void SetInternal(bool v) { internal_ = v; }
  // The registered cells: a cell leaves the list when it is freed.
  void AddCell(TcxCustomGridCellViewInfo* cell) { cells_.push_back(cell); }
  void RemoveCell(TcxCustomGridCellViewInfo* cell);

 private:
  TcxGridSite* site_ = nullptr;
  TRect clientBounds_;
  bool assignedClientBounds_ = false;
  std::vector<TcxCustomGridCellViewInfo*> cells_;
  TPoint mousePos_;
  bool calculating_ = false, updatingSiteVisibility_ = false, calculatingNeededSize_ = false;
  bool internal_ = false, mayHideSite_ = true, checkCoordinates_ = true;
};

class TcxCustomGridViewInfoCache;

class TcxCustomGridViewInfoCacheItem : public TObject {
 public:
  TcxCustomGridViewInfoCacheItem(TcxCustomGridViewInfoCache* owner, Integer index) : owner_(owner), index_(index) {}
  virtual void ClearCachedSizes(bool keepMaster) {}
  TcxCustomGridViewInfoCache* Owner() const { return owner_; }
  Integer Index() const { return index_; }

 private:
  TcxCustomGridViewInfoCache* owner_;
  Integer index_;
};

class TcxCustomGridViewInfoCache : public TcxGridViewHandler {
  KORVAN_CLASS(TcxCustomGridViewInfoCache, TcxGridViewHandler)

 public:
  explicit TcxCustomGridViewInfoCache(TcxCustomGridView* v) : TcxGridViewHandler(v) {}
  ~TcxCustomGridViewInfoCache() override;
  void SetCount(Integer count);
  Integer Count() const { return Integer(items_.size()); }
  TcxCustomGridViewInfoCacheItem* GetItem(Integer index);
  TcxCustomGridViewInfoCacheItem* ExistingItem(Integer index) const;
  void UnassignValues(bool keepMaster);

 protected:
  virtual TcxCustomGridViewInfoCacheItem* CreateItem(Integer index) = 0;

 private:
  std::vector<TcxCustomGridViewInfoCacheItem*> items_;
  bool unassigning_ = false;
};

class TcxCustomGridPainter : public TcxGridViewHandler {
  KORVAN_CLASS(TcxCustomGridPainter, TcxGridViewHandler)

 public:
  explicit TcxCustomGridPainter(TcxCustomGridView* v) : TcxGridViewHandler(v) {}
  ~TcxCustomGridPainter() override;
  virtual void DrawBackground();
  virtual void AfterPaint();
  virtual void BeforePaint();
  virtual void PaintViewContent() {}
  virtual void DrawFocusRect(const TRect& r, bool hideFocusRect);

  void Paint(TcxCanvas* canvas = nullptr, TcxCustomGridViewInfo* viewInfo = nullptr);
  void ExcludeFromBackground(const TRect& r);
  void Invalidate();
  void InvalidateRect(const TRect& r);
  void InvalidateRegion(TcxRegion* region);
  TcxCanvas* Canvas();
  TcxCustomGridViewInfo* PaintViewInfo();
  TcxRegion* BackgroundRegion() const { return backgroundRegion_; }

 private:
  TcxCanvas* canvas_ = nullptr;
  TcxCustomGridViewInfo* viewInfo_ = nullptr;
  TcxRegion* backgroundRegion_ = nullptr;
  TcxRegion* savedClipRegion_ = nullptr;
};

// ---- site and controller --------------------------------------------------------------------

// The control or a window inside it has the input focus.
bool HoldsInputFocus(TWinControl* control);

class TcxGridSite : public TcxControl {
  KORVAN_CLASS(TcxGridSite, TcxControl)

 public:
  using CreateArgType = TcxCustomGridViewInfo*;
  explicit TcxGridSite(TcxCustomGridViewInfo* viewInfo);
  ~TcxGridSite() override;

  TcxCustomGridViewInfo* ViewInfo() const { return viewInfo_; }
  TcxCustomGridView* GridView() const;
  TcxCustomGrid* Container() const;
  void SetFocus() override;
  void SetBounds(Integer left, Integer top, Integer width, Integer height) override;
  Integer ContentWidth() const { return contentWidth_; }
  Integer ContentHeight() const { return contentHeight_; }
  bool ResizeTimerRunning() const { return resizeTimer_ != nullptr; }
  bool UpdatingScrollBars() const { return updatingScrollBars_; }
  void SetUpdatingScrollBars(bool v) { updatingScrollBars_ = v; }
  // Inside the paint message: what the site paints reaches the screen only when it ends.
  bool InPaintMessage() const { return inPaintMessage_; }

 public:
  void WndProc(TMessage& m) override;
  void CNKeyDown(TMessage& m) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void CMMouseLeave(TMessage& m) override;
  void WMCancelMode(TMessage& m) override;
  void DoContextPopup(TPoint mousePos, bool& handled) override;
  void DoEnter() override;
  void DoExit() override;
  void NotifyFocusChanged() override;
  TCursor GetCursorAt(Integer x, Integer y) override;
  bool HasFocus() override;
  bool InDesignMode() override;
  bool CanHideBothScrollBars(TScrollBarKind kind) override;
  Integer WheelScrollKind() override;
  void ComputeScrollBarData() override;
  void HScrollBarRect(TRect& r) override;
  void PanScroll(TScrollBarKind kind, TScrollCode code, Integer& position) override;
  bool WantsDesignTimeMouse(Integer x, Integer y, TShiftState shift) override;
  void BeginDragAndDropMode() override;
  void TrackDragAndDrop(const TPoint& p, bool& accepted) override;
  void StopDragAndDrop(bool accepted) override;
  bool CanStartDragAndDrop(const TPoint& p) override;
  void DoStartDrag(TDragObject*& dragObject) override;
  void DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) override;
  void DoEndDrag(TObject* target, Integer x, Integer y) override;
  void DragImagesExtent(TSize& size) override;
  void DrawDragImage(TcxCanvas* canvas, const TRect& r) override;
  bool UsesDragImages() override;
  bool MayStartDrag(Integer x, Integer y) override;
  void Paint() override;
  void WMPaint(TMessage& m) override;
  void SetParent(TWinControl* parent) override;
  void RequestAlign() override {}
  void HandleBoundsChange() override;
  void CreateWnd() override;

 private:
  void TakeContentSize();
  void ResizeTimerTick(TObject*);
  TcxCustomGridViewInfo* viewInfo_;
  Integer contentWidth_ = 0, contentHeight_ = 0;
  TcxTimer* resizeTimer_ = nullptr;
  bool updatingScrollBars_ = false;
  bool losingFocus_ = false;
  bool inPaintMessage_ = false;
};

class TcxGridDesignController : public TObject {
 public:
  explicit TcxGridDesignController(TcxCustomGridController* controller) : controller_(controller) {}
  TcxCustomGridController* Controller() const { return controller_; }

 private:
  TcxCustomGridController* controller_;
};

class TcxCustomGridController : public TcxGridViewHandler, public IcxMouseTrackingArea {
  KORVAN_CLASS(TcxCustomGridController, TcxGridViewHandler)

 public:
  explicit TcxCustomGridController(TcxCustomGridView* gridView);
  ~TcxCustomGridController() override;

  // IcxMouseTrackingArea (the hint)
  void MouseLeave() override { CancelHint(); }
  bool PtInCaller(const TPoint& p) override;

  virtual void AfterPaint();
  virtual void BeforeFocusLeave() {}
  virtual void BeforePaint();
  virtual bool CanHandleHitTest(Integer x, Integer y) { return true; }
  virtual bool IsOwnHitTest(TcxCustomGridHitTest* hitTest);
  virtual void CheckCoordinates() {}
  virtual void FocusDetail(TcxCustomGridView* detail) {}
  virtual void DoEnter() {}
  virtual void DoExit() {}
  virtual void FocusChanged(bool focused);
  virtual bool HandlesDesignTimeMouse(TcxCustomGridHitTest* hitTest);
  virtual Integer GetMouseWheelScrollingKind() { return 0; }
  virtual TObject* GetPatternObject(TObject* object) { return object; }
  // The open customization form refreshes its lists.
  virtual void RefreshCustomizationForm();
  virtual bool CanHideBothScrollBars(TScrollBarKind kind) { return false; }
  virtual bool IsSiteActionEnabled() { return true; }
  virtual void FocusLost();
  virtual void DoFocusChanged(bool focused);
  virtual void CustomizationChanged();
  virtual void ControlFocusChanged();
  virtual void CancelMode() {}
  virtual TCursor GetCursor(Integer x, Integer y);
  virtual bool HasFocusedControls() { return false; }
  virtual void InitScrollBarsParameters() {}
  virtual bool AllRecordsFit() { return true; }
  virtual void Scroll(TScrollBarKind kind, TScrollCode code, Integer& pos) {}
  virtual void BeginDragAndDrop() {}
  virtual void TrackDragAndDrop(const TPoint& p, bool& accepted) {}
  virtual void EndDragAndDrop(bool accepted) {}
  virtual bool StartDragAndDrop(const TPoint& p);
  virtual void BeforeStartDrag() {}
  virtual bool CanDrag(Integer x, Integer y) { return true; }
  virtual void DragDrop(TObject* source, Integer x, Integer y) {}
  virtual void DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) {}
  virtual void DrawDragImage(Integer x, Integer y) {}
  // Paints the drag image of the site into r.
  virtual void PaintDragImage(TcxCanvas* canvas, const TRect& r) {}
  virtual void EndDrag(TObject* target, Integer x, Integer y) {}
  virtual void GetDragImagesSize(TSize& size) { size = TSize(0, 0); }
  virtual bool UsesDragImages() { return false; }
  virtual void StartDrag(TDragObject*& dragObject) {}
  virtual bool IsMouseOverSite();
  virtual TClass GetHintWindowClass() { return THintWindow::StaticClass(); }
  virtual void KeyDown(Word& key, TShiftState shift) { HandleKeyDown(key, shift); }
  virtual void HandleKeyDown(Word& key, TShiftState shift) {}
  virtual void KeyPress(char32_t& key) {}
  virtual void KeyUp(Word& key, TShiftState shift) {}
  virtual void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y);
  virtual void MouseMove(TShiftState shift, Integer x, Integer y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y);
  virtual bool ProcessDetailDialogChar(TcxCustomGridView* detail, Word charCode) { return false; }
  virtual bool ProcessDialogChar(Word charCode);
  virtual void WndProcHook(TMessage& m);

  bool Customization() const { return customization_; }
  void SetCustomization(bool v);
  TRect CustomizationFormBounds() const { return customizationFormBounds_; }
  void SetCustomizationFormBounds(const TRect& r) { customizationFormBounds_ = r; }
  // The customization form while customization is on (class from GetCustomizationFormClass,
  // a TcxCustomGridCustomizationForm descendant made with this controller).
  TcxCustomGridCustomizationForm* CustomizationForm() const { return customizationForm_; }
  virtual TClass GetCustomizationFormClass();
  // The default place of the form (180 x 300 at the site's bottom-right corner) may move.
  virtual void AdjustCustomizationFormBounds(TRect& bounds) {}
  // The open form reloads its items.
  void UpdateCustomizationForm();
  // The form is being destroyed: it is forgotten and customization switches off.
  void CustomizationFormDestroying(TcxCustomGridCustomizationForm* form);
  void ShowHint(const TRect& hintAreaBounds, const TRect& textBounds, TcxCustomGridCellViewInfo* cell, TFont* font,
                bool isMultiLine, const String& text);
  void CancelHint();
  THintWindow* HintWindow() const { return hintWindow_; }
  TcxCustomGridCellViewInfo* HintCell() const { return hintCell_; }
  TRect HintAreaBounds() const { return hintAreaBounds_; }
  TRect HintTextRect() const { return hintTextRect_; }
  bool HintCheckerRunning() const { return hintChecker_ != nullptr; }
  bool IsDragging();
  TcxDragAndDropObject* DragAndDropObject();
  TcxCustomGridCellViewInfo* MouseCaptureCell();
  // A horizontal bar that CanHScrollBarHide keeps is never hidden, only disabled.
  void SetScrollBarInfo(TScrollBarKind kind, Integer min, Integer max, Integer step, Integer page, Integer pos,
                        bool allowShow, bool allowHide);
  virtual bool CanHScrollBarHide() { return true; }
  void RefreshScrollBars();
  void NotifyDesignerModified();
  TcxGridDesignController* GetDesignController();
  bool DoubleClickInProgress() const { return isDblClick_; }
  bool Focusing() const { return focusing_; }

 private:
  void HintCheckerTick(TObject*);
  void ShowCustomizationForm();
  void HideCustomizationForm();
  TcxGridDesignController* designController_ = nullptr;
  TcxCustomGridCustomizationForm* customizationForm_ = nullptr;
  bool customization_ = false;
  TRect customizationFormBounds_;
  THintWindow* hintWindow_ = nullptr;
  TcxCustomGridCellViewInfo* hintCell_ = nullptr;
  TRect hintAreaBounds_, hintTextRect_;
  TcxTimer* hintChecker_ = nullptr;
  bool isDblClick_ = false, focusing_ = false, checkingCoordinates_ = false;
};

// ---- options and styles ---------------------------------------------------------------------

class TcxCustomGridOptions : public TcxInterfacedPersistent {
  KORVAN_CLASS(TcxCustomGridOptions, TcxInterfacedPersistent)

 public:
  using CreateArgType = TcxCustomGridView*;
  explicit TcxCustomGridOptions(TcxCustomGridView* gridView);
  ~TcxCustomGridOptions() override;
  virtual void Changed(Integer kind = 1);
  virtual TcxCustomGridView* GetGridView() const { return gridView_; }
  virtual void Notification(TComponent* component, TOperation operation) {}
  void Assign(TPersistent* source) override { AssignFrom(source); }
  virtual void AssignFrom(TPersistent* source);
  TcxCustomGridView* GridView() const { return gridView_; }

 private:
  TcxCustomGridView* gridView_;
};

class TcxCustomGridOptionsBehavior : public TcxCustomGridOptions {
  KORVAN_CLASS(TcxCustomGridOptionsBehavior, TcxCustomGridOptions)

 public:
  explicit TcxCustomGridOptionsBehavior(TcxCustomGridView* v) : TcxCustomGridOptions(v) {}
  bool PostponedSynchronization() const;
  void SetPostponedSynchronization(bool v);
  void AssignFrom(TPersistent* source) override;

 private:
  bool postponedSynchronization_ = true;
};

class TcxCustomGridOptionsData : public TcxCustomGridOptions {
  KORVAN_CLASS(TcxCustomGridOptionsData, TcxCustomGridOptions)

 public:
  explicit TcxCustomGridOptionsData(TcxCustomGridView* v) : TcxCustomGridOptions(v) {}
};

class TcxCustomGridOptionsSelection : public TcxCustomGridOptions {
  KORVAN_CLASS(TcxCustomGridOptionsSelection, TcxCustomGridOptions)

 public:
  explicit TcxCustomGridOptionsSelection(TcxCustomGridView* v) : TcxCustomGridOptions(v) {}
};

class TcxCustomGridOptionsView : public TcxCustomGridOptions {
  KORVAN_CLASS(TcxCustomGridOptionsView, TcxCustomGridOptions)

 public:
  explicit TcxCustomGridOptionsView(TcxCustomGridView* v) : TcxCustomGridOptions(v) {}
  TScrollStyle ScrollBars() const;
  void SetScrollBars(TScrollStyle v);
  void AssignFrom(TPersistent* source) override;
};

class TcxCustomGridBackgroundBitmaps : public TcxCustomGridOptions {
  KORVAN_CLASS(TcxCustomGridBackgroundBitmaps, TcxCustomGridOptions)

 public:
  explicit TcxCustomGridBackgroundBitmaps(TcxCustomGridView* v) : TcxCustomGridOptions(v) {}
  ~TcxCustomGridBackgroundBitmaps() override;
  virtual Integer GetBitmapStyleIndex(Integer index) { return index == 0 ? 0 : -1; }
  virtual TBitmap* GetDefaultBitmap(Integer index);
  virtual TBitmap* GetBitmap(Integer index);
  TBitmap* Background() { return OwnBitmap(0); }
  void SetBackground(TBitmap* v) { OwnBitmap(0)->Assign(v); }
  void AssignFrom(TPersistent* source) override;

 protected:
  TBitmap* OwnBitmap(Integer index);

 private:
  std::vector<std::unique_ptr<TBitmap>> bitmaps_;
};

class TcxCustomGridStyles : public TcxStyles {
  KORVAN_CLASS(TcxCustomGridStyles, TcxStyles)

 public:
  // The owner is a view, an item (whose styles find the view through it) or a style sheet
  // (whose styles belong to no view).
  using CreateArgType = TPersistent*;
  explicit TcxCustomGridStyles(TPersistent* owner);
  ~TcxCustomGridStyles() override;
  virtual TcxCustomGridView* GridView() const { return gridView_; }
  void IndexChanged(Integer index) override;
  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
  virtual void AssignFrom(TPersistent* source) { AssignFromSource(source); }

 private:
  TcxCustomGridView* gridView_;
};

class TcxCustomGridViewStyles : public TcxCustomGridStyles {
  KORVAN_CLASS(TcxCustomGridViewStyles, TcxCustomGridStyles)

 public:
  static constexpr Integer vsBackground = 0;
  explicit TcxCustomGridViewStyles(TPersistent* owner) : TcxCustomGridStyles(owner) {}
  TcxStyle* Background() { return GetIndexedStyle(vsBackground); }
  TcxStyle* BackgroundStyle() const { return const_cast<TcxCustomGridViewStyles*>(this)->Background(); }
  void SetBackground(TcxStyle* v) { SetIndexedStyle(vsBackground, v); }
  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
  void GetBackgroundParams(TcxStyleParams& params) { ResolveViewParams(vsBackground, nullptr, nullptr, params); }
};

// A weak reference to a view handed out to other objects; its view reads null once the view
// is destroyed.
class TcxGridListenerLink : public TObject {
 public:
  explicit TcxGridListenerLink(TcxCustomGridView* gridView) : gridView_(gridView) {}
  ~TcxGridListenerLink() override;
  TcxCustomGridView* GridView() const { return gridView_; }
  void Clear() { gridView_ = nullptr; }

 private:
  TcxCustomGridView* gridView_;
};

// ---- the view -----------------------------------------------------------------------------------

// The data controllers carry no class descriptor: a view's data controller "class" is the
// function that makes one (DataControllerClassOf<TcxDataController>()).
using TcxDataControllerClass = TcxCustomDataController* (*)(TComponent* owner);
template <class T>
TcxDataControllerClass DataControllerClassOf() {
  return [](TComponent* owner) -> TcxCustomDataController* { return new T(owner); };
}

using TcxGridInitStoredObjectEvent = std::function<void(TcxCustomGridView* sender, TObject* object)>;
using TcxGridGetStoredPropertiesEvent = std::function<void(TcxCustomGridView* sender, TStrings* properties)>;
using TcxGridGetStoredPropertyValueEvent =
    std::function<void(TcxCustomGridView* sender, const String& name, Variant& value)>;
using TcxGridSetStoredPropertyValueEvent =
    std::function<void(TcxCustomGridView* sender, const String& name, const Variant& value)>;

class TcxCustomGridView : public TcxControlChildComponent {
  KORVAN_CLASS(TcxCustomGridView, TcxControlChildComponent)

 public:
  explicit TcxCustomGridView(TComponent* owner);
  ~TcxCustomGridView() override;
  void BeforeDestruction() override;
  // The view for a control, owned by the control's owner and transient (never streamed).
  static TcxCustomGridView* CreateForGrid(TClass cls, TcxControl* control);

  // The companions are made here from the class getters (C++ constructors cannot call them).
  void InitSubobjects() override;
  void EnsureSubobjects() {
    if (!subobjectsMade_) InitSubobjects();
  }

  // Companions.
  TcxCustomGridController* Controller() const { return controller_; }
  TcxCustomDataController* DataController() const { return dataController_; }
  TcxCustomGridPainter* Painter() const { return painter_; }
  TcxCustomGridViewData* ViewData() const { return viewData_; }
  TcxCustomGridViewInfo* ViewInfo() const { return viewInfo_; }
  TcxCustomGridViewInfoCache* ViewInfoCache() const { return viewInfoCache_; }
  TcxCustomGridBackgroundBitmaps* BackgroundBitmaps() const { return backgroundBitmaps_; }
  TcxCustomGridOptionsBehavior* OptionsBehavior() const { return optionsBehavior_; }
  TcxCustomGridOptionsData* OptionsData() const { return optionsData_; }
  TcxCustomGridOptionsSelection* OptionsSelection() const { return optionsSelection_; }
  TcxCustomGridOptionsView* OptionsView() const { return optionsView_; }
  TcxCustomGridStyles* Styles() const { return styles_; }
  TcxGridSite* Site() const;
  TcxCustomGrid* Control() const;
  TcxGridLevel* Level() const { return level_; }
  TcxControl* StorageControl() const { return storageControl_; }
  TComponent* Repository() const { return repository_; }
  Integer OptionsCount() const { return Integer(options_.size()); }
  Integer StoredVersion() const { return storedVersion_; }

  // Published properties.
  TDragMode DragMode() const;
  void SetDragMode(TDragMode v);
  TComponent* PopupMenu() const;
  void SetPopupMenu(TComponent* v);
  bool Synchronization() const;
  void SetSynchronization(bool v);
  const TNotifyEvent& OnDblClick() const;
  void SetOnDblClick(const TNotifyEvent& v);
  const TMouseEvent& OnMouseDown() const;
  void SetOnMouseDown(const TMouseEvent& v);
  const TKeyEvent& OnKeyDown() const;
  void SetOnKeyDown(const TKeyEvent& v);
  TNotifyEvent OnCustomization;
  TcxGridInitStoredObjectEvent OnInitStoredObject;
  TcxGridGetStoredPropertiesEvent OnGetStoredProperties;
  TcxGridGetStoredPropertyValueEvent OnGetStoredPropertyValue;
  TcxGridSetStoredPropertyValueEvent OnSetStoredPropertyValue;

  // Stored-object interfaces (no storage back end exists).
  virtual String GetStoringName();
  virtual void GetStoredProperties(TStrings* properties);
  virtual void GetStoredPropertyValue(const String& name, Variant& value);
  virtual void SetStoredPropertyValue(const String& name, const Variant& value);
  virtual TObject* CreateStoredObject(const String& objectName, const String& className) { return nullptr; }
  virtual void DeleteStoredObject(const String& objectName, TObject* object);
  virtual void GetStoredChildren(TStringList* children) {}
  TObject* StoredCreateChild(const String& objectName, const String& className);
  void SetStoringName(const String& v) { storingName_ = v; }
  // Layout editing.
  virtual void ApplyEditedLayout(TcxCustomGridView* copy) {}
  virtual void PrepareEditedLayout(TcxCustomGridView* copy) {}
  virtual String GetCustomizationCaption() { return String(); }
  virtual bool SupportsCustomizationForm() { return false; }
  virtual bool CanChangeLayout() { return true; }
  virtual void ShowCustomizationForm();
  void EditLayout(TcxCustomGridView* copy);

  virtual void AssignDataController(TcxCustomGridView* source);
  virtual void DoAssign(TcxCustomGridView* source);
  virtual void AssignDataControllerData(TcxCustomGridView* source);
  virtual bool CanFocus();
  virtual bool GetControlTabStop();
  virtual void DetailDataChanged(TcxCustomGridView* detail) {}
  virtual void DetailVisibilityChanged(TcxGridLevel* level, Integer oldCount, Integer newCount) {}
  virtual void DoChanged(Integer kind);
  virtual bool CanUpdateLayout();
  virtual bool CalculateVisible(bool levelShown);
  virtual bool IsControlFocused();
  virtual bool IsLayoutWidthDependent() { return false; }
  virtual bool IsVisible();
  virtual void AfterAssign() {}
  virtual bool IsDetailVisible(TcxCustomGridView* detail) { return false; }
  virtual void FocusChanged(bool focused);
  virtual void AfterLoadLayoutChange() { QueueSizeChange(false, false); }
  virtual void LookAndFeelChanged();
  virtual void SetLevel(TcxGridLevel* level);
  virtual void SetSiteTabStop(bool value);
  virtual void UpdateControl(TcxUpdateControlInfo* info);
  virtual TClass GetControllerClass() = 0;
  virtual TcxDataControllerClass GetDataControllerClass() = 0;
  virtual TClass GetPainterClass() = 0;
  virtual TClass GetViewDataClass() = 0;
  virtual TClass GetViewInfoCacheClass() { return nullptr; }
  virtual TClass GetViewInfoClass() = 0;
  virtual TClass GetBackgroundBitmapsClass();
  virtual TClass GetOptionsBehaviorClass();
  virtual TClass GetOptionsDataClass();
  virtual TClass GetOptionsSelectionClass();
  virtual TClass GetOptionsViewClass();
  virtual TClass GetStylesClass();
  virtual void DoCustomization();
  virtual void DoInitStoredObject(TObject* object);
  virtual void SizeChanged(bool updateGridViewOnly, bool keepMaster);

  void BindControl(TcxControl* control) override;
  TComponent* GetParentComponent() const override;
  bool HasParent() const override;
  void SetParentComponent(TComponent* value) override;
  void Loaded() override;
  void SetName(const String& newName) override;
  void Notification(TComponent* c, TOperation operation) override;
  void Assign(TPersistent* source) override;

  // Update bracket and changes.
  void BeginUpdate();
  void EndUpdate();
  void CancelUpdate();
  bool IsUpdateLocked() const { return lockCount_ > 0; }
  Integer UpdateLockCount() const { return lockCount_; }
  void Changed(Integer kind);
  bool AddChange(TcxCustomGridChange* change);
  bool QueueLayoutChange(bool forView = true);
  bool QueueSizeChange(bool updateGridViewOnly, bool keepMaster);
  bool QueueRepaint(const TRect& r);
  bool QueueFullRepaint();
  void RefreshLayout(bool full);
  TcxCustomGridViewInfo* CreateViewInfo();

  // Relations.
  bool IsMasterView();
  bool IsDetailView();
  TcxCustomGridView* MasterGridView();
  bool HasAsMaster(TcxCustomGridView* view);
  bool IsPattern();
  TcxCustomGridView* PatternOrSelf() { return patternGridView_ ? patternGridView_ : this; }
  TcxCustomGridView* PatternGridView() const { return patternGridView_; }
  Integer CloneCount() const { return Integer(clones_.size()); }
  TcxCustomGridView* Clones(Integer i) const { return clones_.at(size_t(i)); }
  bool IsClone(TcxCustomGridView* view);
  void AddClone(TcxCustomGridView* clone);
  void RemoveClone(TcxCustomGridView* clone);

  // Focus.
  bool IsFocused();
  void SetFocused(bool value);

  // Synchronisation with the pattern.
  void SynchronizeWithPattern(bool deferIfLocked);
  void TakeSettingsFrom(TcxCustomGridView* source);
  void AssignPattern(TcxCustomGridView* source);
  void ApplyPendingSynchronization();
  bool SynchronizationNeeded() const { return synchronizationNeeded_; }
  bool SynchronizationAssignNeeded() const { return synchronizationAssignNeeded_; }
  bool AssigningPattern() const { return assigningPattern_; }

  // Listener links.
  TcxGridListenerLink* AddListenerLink();
  void RemoveListenerLink(TcxGridListenerLink* link);
  Integer ListenerLinkCount() const { return Integer(listenerLinks_.size()); }

  // Options register themselves here.
  void AddOptions(TcxCustomGridOptions* options) { options_.push_back(options); }
  void RemoveOptions(TcxCustomGridOptions* options);
  void SetRepository(TComponent* repository);
  bool IsDestroying() const;
  bool Transient() const { return transient_; }

 protected:
  virtual void CreateHandlers();
  virtual void DestroyHandlers();
  virtual void HookDataController();
  virtual void CreateOptions();
  virtual void DestroyOptions();

 private:
  bool ProviderLocked();
  void Teardown();
  bool subobjectsMade_ = false, tornDown_ = false, transient_ = false;
  TcxCustomGridController* controller_ = nullptr;
  TcxCustomDataController* dataController_ = nullptr;
  TcxCustomGridPainter* painter_ = nullptr;
  TcxCustomGridViewData* viewData_ = nullptr;
  TcxCustomGridViewInfo* viewInfo_ = nullptr;
  TcxCustomGridViewInfoCache* viewInfoCache_ = nullptr;
  std::vector<TcxCustomGridOptions*> options_;
  TcxCustomGridBackgroundBitmaps* backgroundBitmaps_ = nullptr;
  TcxCustomGridOptionsBehavior* optionsBehavior_ = nullptr;
  TcxCustomGridOptionsData* optionsData_ = nullptr;
  TcxCustomGridOptionsSelection* optionsSelection_ = nullptr;
  TcxCustomGridOptionsView* optionsView_ = nullptr;
  TcxCustomGridStyles* styles_ = nullptr;
  std::vector<TcxCustomGridView*> clones_;
  TcxCustomGridView* patternGridView_ = nullptr;
  std::vector<TcxGridListenerLink*> listenerLinks_;
  TcxGridLevel* level_ = nullptr;
  TComponent* repository_ = nullptr;
  TcxControl* storageControl_ = nullptr;
  TcxCustomGrid* grid_ = nullptr;  // the bound control when it is a grid
  String storingName_;
  Integer storedVersion_ = 0;
  Integer lockCount_ = 0;
  bool synchronization_ = true;
  bool synchronizationNeeded_ = false, synchronizationAssignNeeded_ = false;
  bool assigningPattern_ = false, synchronizing_ = false;
};

// The registered view classes, sorted by description; descriptions that begin with "DB" come
// after all others. (The foundation's registry sorts without a hook for that order.)
class TcxGridRegisteredViews : public TObject {
 public:
  void Register(TClass viewClass, const String& description);
  void Unregister(TClass viewClass);
  Integer Count() const { return Integer(items_.size()); }
  TClass ClassAt(Integer i) const { return items_.at(size_t(i)).second; }
  String DescriptionAt(Integer i) const { return items_.at(size_t(i)).first; }
  Integer IndexOfClass(TClass c) const;

 private:
  std::vector<std::pair<String, TClass>> items_;
};
TcxGridRegisteredViews* GridRegisteredViews();

// Unit start: the hit-test pool and the registered views (the common unit first).
void InitializeCxGridCustomView();
