// The grid control: it hosts the tree of levels and the views bound to them, keeps the active
// level and the focused view, sends grid notifications, opens a level's tab while something is
// dragged over it, and runs every layout, size and repaint request of itself and its views
// through its change queue: at once, or while locked queued, compacted and run once at the
// outermost EndUpdate.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "grid/cxGridCommon.h"
#include "grid/cxGridCustomView.h"
#include "grid/cxGridDetailsSite.h"
#include "grid/cxGridLevel.h"
#include "grid/cxNavigator.h"

class TcxCustomGrid;

// ---- the grid's own changes -----------------------------------------------------------------

class TcxGridLayoutChange : public TcxCustomGridViewChange {
  KORVAN_CLASS(TcxGridLayoutChange, TcxCustomGridViewChange)

 public:
  explicit TcxGridLayoutChange(TcxCustomGridView* gridView = nullptr) : TcxCustomGridViewChange(gridView) {}
  void Execute() override;
  bool IsCoveredBy(TcxCustomGridChange* change) override;
  void CoverKeys(TcxGridChangeKeys& keys) override;
  void CoveringKeys(TcxGridChangeKeys& keys) override;
};

class TcxGridSizeChange : public TcxCustomGridViewChange {
  KORVAN_CLASS(TcxGridSizeChange, TcxCustomGridViewChange)

 public:
  TcxGridSizeChange(TcxCustomGridView* gridView = nullptr, bool updateGridViewOnly = false, bool keepMaster = false)
      : TcxCustomGridViewChange(gridView), keepMaster_(keepMaster), updateGridViewOnly_(updateGridViewOnly) {}
  bool KeepMaster() const { return keepMaster_; }
  bool UpdateGridViewOnly() const { return updateGridViewOnly_; }
  void Execute() override;
  bool IsCoveredBy(TcxCustomGridChange* change) override;
  bool IsDuplicateOf(TcxCustomGridChange* change) override;
  TcxGridChangeKey DuplicateKey() override;
  void CoverKeys(TcxGridChangeKeys& keys) override;
  void CoveringKeys(TcxGridChangeKeys& keys) override;

 private:
  bool keepMaster_, updateGridViewOnly_;
};

// A repaint of a view's site: a rectangle, a region, or the whole site.
class TcxGridViewChange : public TcxCustomGridViewChange {
  KORVAN_CLASS(TcxGridViewChange, TcxCustomGridViewChange)

 public:
  explicit TcxGridViewChange(TcxCustomGridView* gridView, const TRect& updateBounds = TRect(),
                             TcxRegion* updateRegion = nullptr);
  ~TcxGridViewChange() override;
  const TRect& UpdateBounds() const { return updateBounds_; }
  TcxRegion* UpdateRegion() const { return updateRegion_; }
  void Execute() override;
  bool IsCoveredBy(TcxCustomGridChange* change) override;
  bool IsDuplicateOf(TcxCustomGridChange* change) override;
  TcxGridChangeKey DuplicateKey() override;
  void CoveringKeys(TcxGridChangeKeys& keys) override;

 private:
  TRect updateBounds_;
  TcxRegion* updateRegion_ = nullptr;  // own copy
};

class TcxGridControlFocusChange : public TcxCustomGridViewChange {
  KORVAN_CLASS(TcxGridControlFocusChange, TcxCustomGridViewChange)

 public:
  explicit TcxGridControlFocusChange(TcxCustomGridView* gridView) : TcxCustomGridViewChange(gridView) {}
  void Execute() override;
};

// ---- the grid's own companions --------------------------------------------------------------

class TcxCustomGridHandler : public TObject {
  KORVAN_CLASS(TcxCustomGridHandler, TObject)

 public:
  using CreateArgType = TcxCustomGrid*;
  explicit TcxCustomGridHandler(TcxCustomGrid* control) : control_(control) {}
  TcxCustomGrid* Control() const { return control_; }

 private:
  TcxCustomGrid* control_;
};

// What to open after something has been dragged over it for a while.
class TcxCustomGridDragOpenInfo : public TObject {
  KORVAN_CLASS(TcxCustomGridDragOpenInfo, TObject)

 public:
  virtual bool IsSameTarget(TcxCustomGridDragOpenInfo* info) { return info->ClassType() == ClassType(); }
  virtual void OpenTarget() = 0;
};

class TcxGridDragOpenInfoTab : public TcxCustomGridDragOpenInfo {
  KORVAN_CLASS(TcxGridDragOpenInfoTab, TcxCustomGridDragOpenInfo)

 public:
  explicit TcxGridDragOpenInfoTab(TcxGridLevel* level) : level_(level) {}
  TcxGridLevel* Level() const { return level_; }
  bool IsSameTarget(TcxCustomGridDragOpenInfo* info) override;
  void OpenTarget() override;

 private:
  TcxGridLevel* level_;
};

class TcxGridController : public TcxCustomGridHandler {
  KORVAN_CLASS(TcxGridController, TcxCustomGridHandler)

 public:
  explicit TcxGridController(TcxCustomGrid* control) : TcxCustomGridHandler(control) {}
  ~TcxGridController() override;
  virtual void DoCancelMode();
  virtual void FocusChanged(bool focused);
  virtual TCursor GetCursor(Integer x, Integer y) { return crDefault; }
  virtual void DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept);
  virtual void EndDrag(TObject* target, Integer x, Integer y);
  virtual void StartDrag(TDragObject*& dragObject) {}
  virtual TcxCustomGridDragOpenInfo* GetDragOpenInfo(TcxCustomGridHitTest* hitTest);
  virtual TcxDragAndDropObjectClass GetDragAndDropObjectClass() { return nullptr; }
  virtual void KeyDown(Word& key, TShiftState shift) {}
  virtual void KeyUp(Word& key, TShiftState shift) {}
  virtual void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y);
  virtual void MouseMove(TShiftState shift, Integer x, Integer y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {}

  void StartDragOpen(TcxCustomGridDragOpenInfo* info);
  void StopDragOpen();
  // A level leaving the tree: a pending opening of its tab goes with it.
  void LevelRemoved(TcxGridLevel* level);
  TcxCustomGridDragOpenInfo* DragOpenInfo() const { return dragOpenInfo_; }
  TcxTimer* DragOpenTimer() const { return dragOpenTimer_; }

 private:
  void DragOpenTimerTick(TObject*);
  TcxCustomGridDragOpenInfo* dragOpenInfo_ = nullptr;
  TcxTimer* dragOpenTimer_ = nullptr;
};

class TcxGridPainter : public TcxCustomGridHandler {
  KORVAN_CLASS(TcxGridPainter, TcxCustomGridHandler)

 public:
  explicit TcxGridPainter(TcxCustomGrid* control) : TcxCustomGridHandler(control) {}
  virtual void DrawDetailsSite();
  virtual void DrawBackground();
  virtual void Invalidate(bool includingSites = false);
  virtual void InvalidateRect(const TRect& r);
  virtual void Paint();
};

class TcxGridTopDetailsSiteViewInfo;

class TcxGridViewInfo : public TcxCustomGridHandler {
  KORVAN_CLASS(TcxGridViewInfo, TcxCustomGridHandler)

 public:
  explicit TcxGridViewInfo(TcxCustomGrid* control) : TcxCustomGridHandler(control) {}
  ~TcxGridViewInfo() override;
  virtual void CreateViewInfos();
  virtual void DestroyViewInfos();
  virtual TClass GetDetailsSiteViewInfoClass();
  virtual void Calculate();
  virtual TcxCustomGridHitTest* GetHitTest(Integer x, Integer y);
  TcxGridTopDetailsSiteViewInfo* DetailsSiteViewInfo() const { return detailsSite_; }

 private:
  TcxGridTopDetailsSiteViewInfo* detailsSite_ = nullptr;
};

// The details site of the root level, on the grid's own surface.
class TcxGridTopDetailsSiteViewInfo : public TcxCustomGridDetailsSiteViewInfo {
  KORVAN_CLASS(TcxGridTopDetailsSiteViewInfo, TcxCustomGridDetailsSiteViewInfo)

 public:
  TcxGridTopDetailsSiteViewInfo(TcxGridViewInfo* gridViewInfo, TcxGridLevel* level)
      : TcxCustomGridDetailsSiteViewInfo(level), gridViewInfo_(gridViewInfo) {}
  TcxCustomGrid* Control() const { return gridViewInfo_->Control(); }
  TcxCanvas* GetCanvas() override;
  TcxCustomLookAndFeelPainterClass GetLookAndFeelPainter() override;
  TcxCustomGridRecord* GetMasterRecord() override { return nullptr; }
  Integer GetMaxHeight() override;
  Integer GetMaxWidth() override;
  Integer CalculateHeight() override { return GetMaxHeight(); }
  Integer CalculateWidth() override { return GetMaxWidth(); }
  TcxCustomGridView* FindActiveGridView() override;
  TcxGridLevel* GetActiveLevel() override;
  bool GetVisible() override { return true; }
  void InitTabHitTest(TcxGridDetailsSiteTabHitTest* hitTest) override;
  void ChangeActiveTab(TcxGridLevel* level, bool byKeyboard = false) override;
  bool SupportsTabAccelerators() override { return true; }
  void VisibilityChanged(bool visible) override;
  TcxControl* GetControl() override;

 private:
  TcxGridViewInfo* gridViewInfo_;
};

// ---- the grid ---------------------------------------------------------------------------------

using TcxGridActiveTabChangedEvent = std::function<void(TcxCustomGrid* sender, TcxGridLevel* level)>;
using TcxGridFocusedViewChangedEvent =
    std::function<void(TcxCustomGrid* sender, TcxCustomGridView* prevFocusedView, TcxCustomGridView* focusedView)>;
using TcxGridLayoutChangedEvent = std::function<void(TcxCustomGrid* sender, TcxCustomGridView* gridView)>;

class TcxCustomGrid : public TcxControl, public IcxNavigator {
  KORVAN_CLASS(TcxCustomGrid, TcxControl)

 public:
  explicit TcxCustomGrid(TComponent* owner);
  ~TcxCustomGrid() override;
  void BeforeDestruction() override;

  // The companions are made from the class getters on first use after construction (a C++
  // constructor cannot reach the descendants' getters); the constructor makes the base ones.
  virtual void CreateSubobjects();
  virtual void DestroySubobjects();
  virtual void DoActiveTabChanged(TcxGridLevel* level);
  virtual void DoLayoutChanged(TcxCustomGridView* gridView);
  virtual void DoFocusedViewChanged(TcxCustomGridView* prevView, TcxCustomGridView* view);
  virtual TClass GetControllerClass() { return TcxGridController::StaticClass(); }
  virtual TClass GetRootLevelClass();
  virtual TClass GetPainterClass() { return TcxGridPainter::StaticClass(); }
  virtual TClass GetViewInfoClass() { return TcxGridViewInfo::StaticClass(); }
  virtual void QueueLayoutChange();
  virtual void QueueSizeChange();

  // The change queue.
  void BeginUpdate();
  void EndUpdate();
  void CancelUpdate();
  bool IsLocked() const { return lockCount_ != 0; }
  Integer LockCount() const { return lockCount_; }
  void AddChange(TcxCustomGridChange* change);
  Integer QueuedChangeCount() const { return Integer(changes_.size()); }
  TcxCustomGridChange* QueuedChange(Integer i) const { return changes_.at(size_t(i)); }

  // Levels, views, focus.
  TcxGridLevel* Levels() const { return rootLevel_; }
  TcxGridLevel* RootLevel() const { return rootLevel_; }
  TcxGridLevel* ActiveLevel() const { return activeLevel_; }
  void SetActiveLevel(TcxGridLevel* level);
  TcxCustomGridView* ActiveView();
  TcxCustomGridView* GetActiveView() { return ActiveView(); }
  TcxCustomGridView* FocusedView() const { return focusedView_; }
  void SetFocusedView(TcxCustomGridView* view);
  // Re-checks the focused view after a level's visibility changed.
  void CheckFocusedView();
  Integer ViewCount() const { return Integer(views_.size()); }
  TcxCustomGridView* Views(Integer i) const { return views_.at(size_t(i)); }
  // A view of the grid that is streamed with it (owned by the grid's owner).
  TcxCustomGridView* CreateView(TClass viewClass);
  bool IsDestroying() const;
  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  bool FocusedFlag() const { return focused_; }
  void UpdateFocusedFlag(bool value);
  // Tab left the grid: the parent form moves the focus on (forward or back).
  void FocusNextControl(bool goForward);

  // Notifications (receivers are not owned).
  void AddNotification(TcxCustomGridNotification* n);
  void RemoveNotification(TcxCustomGridNotification* n);
  bool SendNotifications(TcxGridNotificationKind kind, void* argument = nullptr);

  // Published properties.
  bool DragOpening() const { return dragOpening_; }
  void SetDragOpening(bool v) { dragOpening_ = v; }
  Integer DragOpeningWaitTime() const { return dragOpeningWaitTime_; }
  void SetDragOpeningWaitTime(Integer v) { dragOpeningWaitTime_ = v < 0 ? 0 : v; }
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v);
  TcxGridLevelOptions* RootLevelOptions() const { return rootLevel_->Options(); }
  void SetRootLevelOptions(TcxGridLevelOptions*) {}
  TcxGridLevelStyles* RootLevelStyles() const { return rootLevel_->Styles(); }
  void SetRootLevelStyles(TcxGridLevelStyles*) {}
  TcxGridActiveTabChangedEvent OnActiveTabChanged;
  TcxGridFocusedViewChangedEvent OnFocusedViewChanged;
  TcxGridLayoutChangedEvent OnLayoutChanged;
  TNotifyEvent RootLevelStylesEvents;

  TcxGridController* Controller() { return controller_; }
  TcxGridPainter* Painter() { return painter_; }
  TcxGridViewInfo* ViewInfo() { return viewInfo_; }
  TcxNavigatorControlNotifier* NavigatorNotifier() const { return navigatorNotifier_; }

  // IcxNavigator: passed to the focused view when it offers the interface.
  bool CanDelete() override;
  bool CanEdit() override;
  bool CanInsert() override;
  bool IsActive() override;
  bool IsBof() override;
  bool IsBookmarkAvailable() override;
  bool IsEditing() override;
  bool IsEof() override;
  void ClearBookmark() override;
  void DoAction(Integer buttonIndex) override;
  TcxNavigatorControlNotifier* GetNotifier() override;
  bool IsActionSupported() override;

  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, Integer order);
  void Loaded() override;
  void SetName(const String& newName) override;
  void AdoptChildComponent(TcxControlChildComponent* child) override;
  void ReleaseChildComponent(TcxControlChildComponent* child) override;

 protected:
  void HandleBoundsChange() override;
  void Paint() override;
  void NotifyFocusChanged() override;
  void LookAndFeelUpdated(TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyUp(Word& key, TShiftState shift) override;
  // A tab accelerator of the top details site activates its level.
  void Dispatch(TMessage& m) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  TCursor GetCursorAt(Integer x, Integer y) override;
  void DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) override;
  void DoStartDrag(TDragObject*& dragObject) override;
  void DoEndDrag(TObject* target, Integer x, Integer y) override;
  TcxDragAndDropObjectClass DragObjectClass() override;
  void CancelMouseOperation() override;
  void DoContextPopup(TPoint mousePos, bool& handled) override;
  // At design time a left press on a details-site tab switches tabs in the grid itself.
  bool WantsDesignTimeMouse(Integer x, Integer y, TShiftState shift) override;
  // The navigators of the views follow the grid's enabled state.
  void CMEnabledChanged(TMessage& m) override;

 private:
  friend class TcxCustomGridView;
  void ExecuteChange(TcxCustomGridChange* change);
  void ProcessChanges();
  void DropViewChanges(TcxCustomGridView* view);
  void ViewAdded(TcxCustomGridView* view);
  void ViewRemoved(TcxCustomGridView* view);
  IcxNavigator* FocusedNavigator();

  TcxGridLevel* activeLevel_ = nullptr;
  TcxCustomGridView* focusedView_ = nullptr;
  bool focused_ = false;
  TcxGridController* controller_ = nullptr;
  std::vector<TcxCustomGridChange*> changes_;
  // The work lists of the runs in progress (nested runs stack up); a view that leaves the
  // grid clears its entries there too.
  std::vector<std::vector<TcxCustomGridChange*>*> runningLists_;
  std::vector<TcxCustomGridNotification*> notifications_;
  TcxGridLevel* rootLevel_ = nullptr;
  TcxNavigatorControlNotifier* navigatorNotifier_ = nullptr;
  TcxGridPainter* painter_ = nullptr;
  TcxGridViewInfo* viewInfo_ = nullptr;
  Integer lockCount_ = 0;
  std::vector<TcxCustomGridView*> views_;
  bool dragOpening_ = true;
  Integer dragOpeningWaitTime_ = 800;
  bool destroying_ = false;
  bool tabStop_ = true;
  void UpdateOwnTabStop();
};

class TcxGrid : public TcxCustomGrid {
  KORVAN_CLASS(TcxGrid, TcxCustomGrid)

 public:
  explicit TcxGrid(TComponent* owner) : TcxCustomGrid(owner) {}
};

// The compaction of a queue (duplicates, then changes covered by later, then by earlier
// ones), in arrival order; dropped changes are freed. Exposed for the benchmark.
void CompactGridChanges(std::vector<TcxCustomGridChange*>& queue, std::vector<TcxCustomGridChange*>& work);

// Unit start: the common unit, the view framework, the levels; registers TcxGrid.
void InitializeCxGrid();
