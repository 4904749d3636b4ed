// The controller of record-based views: focused record and item, the top record and paging,
// cycling through cells and records, the keyboard map, incremental search, new and deleted
// records, the always-shown editor rule, and the editing controller that runs the in-place
// editor over a data cell.
// Sources: cxGridCustomTableController.cpp (table controller), cxGridEditingController.cpp.
#pragma once

#include <functional>

#include "grid/cxGrid.h"
#include "grid/cxGridCustomTableViewInfo.h"

class TcxCustomEdit;
class TcxInplaceEditList;
class TcxCustomEditProperties;
class TcxTimer;

// Walks the indexes after `start` (-1: from an end) in one direction, wrapping only with
// `cycle` (then `cycled` becomes true); the first index `accept` takes, -1 when none. Every
// index is tried at most once.
Integer FindNextIndex(Integer start, Integer count, bool forward, bool cycle,
                      const std::function<bool(Integer)>& accept, bool& cycled);

class TcxGridEditingController : public TObject {
  KORVAN_CLASS(TcxGridEditingController, TObject)

 public:
  using CreateArgType = TcxCustomGridTableController*;
  explicit TcxGridEditingController(TcxCustomGridTableController* controller);
  ~TcxGridEditingController() override;

  TcxCustomGridTableController* Controller() const { return controller_; }
  TcxCustomGridTableView* GridView() const;
  TcxCustomEdit* Edit() const { return edit_; }
  TcxCustomGridTableItem* EditingItem() const { return editingItem_; }
  bool IsEditing() const { return editingItem_ != nullptr; }
  bool EditHiding() const { return hiding_; }
  bool EditPreparing() const { return preparing_; }
  bool SettingItem() const { return settingItem_; }
  bool IsErrorOnEditExit() const { return errorOnExit_; }
  bool EditPlaced() const { return placed_; }
  bool MovePending() const { return movePending_; }
  bool EditShowingTimerRunning() const { return timer_ != nullptr; }
  TcxInplaceEditList* EditList() const { return editList_; }
  // The data cell of the editing item in the focused record (null when not shown).
  TcxGridTableDataCellViewInfo* EditingCellViewInfo();

  virtual void HideUnplacedEdit();
  virtual void UnplaceEdit() { placed_ = false; }
  virtual bool CanInitEditing();
  virtual bool CanFocusGridSite();
  virtual bool CanUpdateEditValue();
  virtual void EditChanged() {}
  virtual void DoEditKeyDown(Word& key, TShiftState shift);
  virtual bool CanHandleEditExit() { return true; }
  virtual bool HideEditOnFocusedRecordChange();
  virtual void InitEdit();
  virtual void DoneEdit();
  virtual void CommitEditingData();
  virtual bool ShowEdit(TcxCustomGridTableItem* item, bool byMouse);
  virtual void AssignEditEvents();
  virtual void UnassignEditEvents();
  virtual void EditAfterKeyDown(Word& key, TShiftState shift);
  virtual void EditExit();
  virtual void EditKeyDown(Word& key, TShiftState shift);
  virtual void HideEdit(bool accept);
  virtual void RemoveEdit(TcxCustomEditProperties* properties);

  TcxCustomEditProperties* GetEditingProperties();
  void SetEditingItem(TcxCustomGridTableItem* item);
  void UpdateValue();
  void UpdateEditValue();
  void UpdateEditBounds();
  void PlaceEdit();
  void ApplyPendingEditMove() {
    if (movePending_) UpdateEditBounds();
  }
  void ShowEditActivate(TcxCustomGridTableItem* item);
  void ShowEditByKey(TcxCustomGridTableItem* item, char32_t key);
  void ShowEditByMouse(TcxCustomGridTableItem* item, TShiftState shift, Integer x, Integer y);
  void CheckEditAlwaysShown();
  void StartEditShowingTimer(TcxCustomGridTableItem* item);
  void StopEditShowingTimer();

 private:
  void EditShowingTimerTick(TObject*);
  // The item's cell in the focused record lies within the view's cell area.
  bool IsCellFullyVisible(TcxGridTableDataCellViewInfo* cell);
  TcxCustomGridTableController* controller_;
  TcxCustomEdit* edit_ = nullptr;
  TcxCustomGridTableItem* editingItem_ = nullptr;
  TcxInplaceEditList* editList_ = nullptr;
  bool hiding_ = false, preparing_ = false, settingItem_ = false, initiating_ = false;
  bool placed_ = false, movePending_ = false, errorOnExit_ = false;
  TcxTimer* timer_ = nullptr;
  TcxCustomGridTableItem* timerItem_ = nullptr;
  TNotifyEvent savedChange_, savedEditValueChanged_;
};

// The focused record changed: the view's OnFocusedRecordChanged fires when the grid's change
// queue runs, after the data controller has finished its notification.
class TcxGridFocusedRecordChange : public TcxCustomGridViewChange {
  KORVAN_CLASS(TcxGridFocusedRecordChange, TcxCustomGridViewChange)

 public:
  TcxGridFocusedRecordChange(TcxCustomGridView* view, Integer prevRow, Integer row, bool newItemRowFocusingChanged)
      : TcxCustomGridViewChange(view), prevRow_(prevRow), row_(row), newItemRow_(newItemRowFocusingChanged) {}
  bool CanDropDuplicates() override { return false; }
  bool IsDuplicateOf(TcxCustomGridChange*) override { return false; }
  void Execute() override;

 private:
  Integer prevRow_, row_;
  bool newItemRow_;
};

class TcxGridFilterPopup;
class TcxGridFilterMRUItemsPopup;
class TcxCustomGridItemsCustomizationPopup;

class TcxCustomGridTableController : public TcxCustomGridController {
  KORVAN_CLASS(TcxCustomGridTableController, TcxCustomGridController)

 public:
  explicit TcxCustomGridTableController(TcxCustomGridView* gridView);
  ~TcxCustomGridTableController() override;

  TcxCustomGridTableView* TableView() const;
  TcxCustomGridTableViewData* TableViewData() const;
  TcxCustomGridTableViewInfo* TableViewInfo() const;
  TcxGridEditingController* EditingController() const { return editingController_; }

  TcxCustomGridTableItem* FocusedItem() const { return focusedItem_; }
  void SetFocusedItem(TcxCustomGridTableItem* item) { ChangeFocusedItem(item); }
  void ChangeFocusedItem(TcxCustomGridTableItem* item);
  TcxCustomGridRecord* FocusedRecord() const;
  Integer FocusedRowIndex() const;
  Integer GetFocusedItemIndex() const;
  bool IsEditing() const { return editingController_->IsEditing(); }
  Integer TopRecordIndex() const { return topRecordIndex_; }
  void SetTopRecordIndex(Integer value);
  void SetTopRecordIndexChecked(Integer value);
  Integer VisibleRecordCount() const;
  TcxCustomGridTableController* GetMasterController() const;

  // Flags read by cells and the editing controller.
  bool AllowCheckEdit = true;
  bool CheckEditNeeded = false;
  bool FocusOnRecordFocusing = true;
  bool SuppressRecordKeys = false;
  bool EatKeyPress = false;
  // Set while a press or a data-set synchronisation runs (edit checks wait).
  bool SynchronizingOrClicking = false;
  // The data cell pressed last, cleared when it goes.
  TcxGridTableDataCellViewInfo* PressedDataCell = nullptr;
  // The editor is to open on mouse up (set by a cell's mouse down).
  bool ShowEditOnMouseUp = false;
  // Temporary layouts built to measure pages (a measure of paging cost).
  Integer TemporaryLayoutCount = 0;

  virtual void LayoutChanged();
  virtual void ResetEditPlacement();
  virtual bool CanAppend();
  virtual bool CanDelete(bool checkOptions);
  // With a navigator the horizontal scroll bar stays: the navigator lives at its left end.
  bool CanHScrollBarHide() override;
  virtual bool CanEdit();
  virtual bool CanInsert(bool checkOptions);
  virtual void CheckEdit();
  virtual void CheckTopRecordIndex(Integer& value);
  virtual void FocusedItemChanged(TcxCustomGridTableItem* prevItem);
  virtual void FocusedRecordChanged(Integer prevRow, Integer row, bool newItemRowFocusingChanged);
  virtual bool CanCancelOnExit();
  virtual TcxCustomGridRecord* GetFocusedRecord() { return FocusedRecord(); }
  virtual bool IsRecordsScrollHorizontal() { return false; }
  virtual Integer GetMaxTopRecordIndex();
  virtual Integer GetPageRecordCount(Integer firstRecordIndex, bool downwards);
  virtual Integer GetScrollBarOffsetBegin();
  virtual Integer GetScrollBarOffsetEnd();
  virtual Integer GetScrollBarPos();
  virtual Integer GetScrollBarRecordCount();
  virtual void SetScrollBarPos(Integer position);
  virtual void FocusRecord(TcxCustomGridRecord* record);
  virtual bool CanFocusNextItem(Integer oldIndex, Integer newIndex, bool forward, bool cycleInRecord,
                                bool nextRecordOnCycle) {
    return newIndex != -1;
  }
  virtual void FocusNextPage(bool select);
  virtual void FocusPrevPage(bool select);
  virtual bool IsEditorNavigationKey(Word key, TShiftState shift);
  virtual void ScrollPage(bool down);
  virtual void ScrollRecords(bool down, Integer count);
  virtual void ShowNextPage();
  virtual void ShowPrevPage();
  virtual TcxCustomGridTableItem* GetIncSearchingItem();
  virtual void ProcessIncSearchKeyDown(Word& key, TShiftState shift);
  virtual TClass GetEditingControllerClass() { return TcxGridEditingController::StaticClass(); }
  virtual Integer FindNextItem(Integer index, bool forward, bool cycle, bool& cycled, TcxCustomGridRecord* record);
  virtual bool IsFocusedRecord(TcxCustomGridRecord* record) { return record && record == FocusedRecord(); }
  virtual void ClearSelection();
  virtual void CreateNewRecord(bool atEnd);
  virtual void DeleteSelection();
  virtual void MakeItemVisible(TcxCustomGridTableItem* item) {}
  virtual void MakeRecordVisible(TcxCustomGridRecord* record);
  virtual void SelectAll();

  // Selection by mouse and keys.
  virtual bool CanPostponeRecordSelection() { return !IsEditing(); }
  virtual bool SupportsMultiSelect(bool onlyFocused);
  virtual bool IsSelectionClick(TcxCustomGridHitTest* hitTest, TShiftState shift);
  virtual bool IsSelectionKey(Word key, TShiftState shift, bool focusedRowChanged);
  // The hit test is the clicked place (null for keys and pull focusing).
  virtual void DoNormalSelection(TcxCustomGridHitTest* hitTest = nullptr) { SelectFocusedRecordOnly(); }
  virtual void DoRangeSelection(bool clearOthers, TcxCustomGridHitTest* hitTest = nullptr);
  virtual void SelectFocusedRecordOnly();
  virtual void CancelPostponedSelection() { postponedSelection_ = false; }
  virtual bool IsKeyForController(Word key, TShiftState shift, bool focusedRowChanged);
  virtual void DoKeyboardSelection(Word key, TShiftState shift);
  virtual void DoMouseDownSelection(TcxCustomGridHitTest* hitTest, TShiftState shift);
  virtual void DoMouseUpSelection(TcxCustomGridHitTest* hitTest, TShiftState shift);
  virtual bool CanAddRangeToSelection() { return true; }
  virtual bool CanToggleRecordSelection() { return true; }
  void ToggleFocusedRecordSelection();
  bool PostponedSelection() const { return postponedSelection_; }

  // Pull focusing: the focus follows the mouse while the left button is held.
  virtual void DoPullFocusing(TcxCustomGridHitTest* hitTest);
  virtual void DoPullFocusingScrolling(Integer direction);
  virtual bool GetPullFocusingScrollingDirection(Integer x, Integer y, Integer& direction);
  virtual void StartPullFocusing(TcxCustomGridHitTest* hitTest);
  virtual bool SupportsPullFocusing();
  void StopPullFocusing();
  bool IsPullFocusing() const { return pullFocusing_; }
  bool PullFocusingTimerRunning() const { return pullTimer_ != nullptr; }

  // Automatic scrolling while a drag-and-drop object (column moving, sizing) is over an
  // edge: one ScrollData step per timer tick (codes: 0 none, 1 left, 2 right, 3 up, 4 down).
  virtual void ScrollData(Integer direction) {}
  virtual bool CanScrollData(Integer direction) { return false; }
  virtual Integer GetScrollTimerInterval(Integer direction) { return 35; }
  void SetScrollDirection(Integer direction);
  Integer ScrollDirection() const { return scrollDirection_; }
  bool ScrollTimerRunning() const { return scrollTimer_ != nullptr; }

  // Grid mode: once the layout has room, the data controller sizes the data set's buffer to
  // it (one 1 ms timer at a time, ticking until the view info has been laid out).
  void StartGridModeSyncTimer();
  // The layout asks for a synchronisation only when its client bounds differ from the ones of
  // the last one (the synchronisation reloads the buffer, which lays the view out again).
  void CheckGridModeSync();
  bool GridModeSyncPending() const { return gridModeSyncPending_; }
  bool GridModeSyncTimerRunning() const { return gridModeSyncTimer_ != nullptr; }

  // Dragging records.
  virtual Integer GetDragScrollDirection(Integer x, Integer y);
  virtual Integer GetDragScrollInterval() { return 20; }
  // What a drag held at the hit point opens after the drag-open wait (null: nothing).
  virtual TcxCustomGridDragOpenInfo* GetDragOpenInfo(TcxCustomGridHitTest* hitTest);
  // While an item is dragged: scrolls the view sideways near its left and right ends (nothing
  // in views that do not scroll sideways).
  virtual void CheckDragScrollingHorz(const TPoint&) {}
  virtual bool IsFirstPageRecord(TcxCustomGridRecord* record) { return record && record->Index() == topRecordIndex_; }
  virtual bool IsLastPageRecord(TcxCustomGridRecord* record);
  virtual void GetDragDropText(String& text);
  virtual void GetDragDropTextViewParams(TcxStyleParams& params);
  TcxCustomGridRecord* DragHighlightedRecord() const { return dragHighlightedRecord_; }
  void SetDragHighlightedRecord(TcxCustomGridRecord* record);
  bool DragScrollTimerRunning() const { return dragScrollTimer_ != nullptr; }
  Integer DragScrollDirection() const { return dragScrollDirection_; }
  String DragText() const { return dragText_; }
  // Paints the drag image (its text in nested focus frames) into r.
  void PaintDragImage(TcxCanvas* canvas, const TRect& r) override;

  bool FocusRowAtIndex(Integer row);
  void MakeFocusedItemVisible() { MakeItemVisible(focusedItem_); }
  void MakeFocusedRecordVisible();
  bool FocusNextFocusableRecord(Integer row, bool forward, bool cycle, bool intoDetails, bool outOfDetails);
  Integer FindNextFocusableRecordIndex(Integer row, bool forward, bool cycle, bool& cycled);
  bool FocusNextItem(Integer index, bool forward, bool cycleInRecord, bool nextRecordOnCycle);
  bool FocusNextCell(bool forward, bool keepRecord, bool mayChangeRecord);
  bool FocusFirstItem() { return FocusNextItem(-1, true, false, false); }
  bool GoToRecord(Integer row, bool forward, bool cycle, bool throughDetails, bool select);
  bool GoToFirstRecord() { return GoToRecord(-1, true, false, false, true); }
  bool GoToLastRecord(bool throughDetails) { return GoToRecord(-1, false, true, throughDetails, true); }
  bool GoToNextRecord(bool throughDetails, bool select) {
    return GoToRecord(FocusedRowIndex(), true, false, throughDetails, select);
  }
  bool GoToPrevRecord(bool throughDetails, bool select) {
    return GoToRecord(FocusedRowIndex(), false, false, throughDetails, select);
  }
  bool IsAtFirstRecord();
  bool IsAtLastRecord();
  bool HasFocusableCells(TcxCustomGridRecord* record);

  // Incremental search through the data controller's search object.
  bool IsIncSearching();
  String GetIncSearchText();
  void SetIncSearchText(const String& text);
  void CancelIncSearching();
  TcxCustomGridTableItem* GetIncSearchedItem();

  // Selection.
  bool IsRecordSelected(TcxCustomGridRecord* record);
  void ChangeRecordSelection(TcxCustomGridRecord* record, bool value);
  Integer GetSelectedRecordCount();
  TcxCustomGridRecord* GetSelectedRecord(Integer index);
  void SetSelectionAnchor(Integer row);
  // Anchor at the focused row (when `select`, only it selected).
  void SelectAtAnchor(bool select);
  void InvalidateFocusedRecord();
  void InvalidateSelection();
  // The shown records take their look (selected, focused, active or not) from the current
  // state before the site paints next; a focus or selection change lays nothing out.
  void RefreshRecordLooks();
  // The unselect-on-exit rule for a record that loses the focus.
  void CheckFocusedRecordSelectionWhenExit(TcxCustomGridRecord* record);
  // An item leaves the view: it is no longer focused, edited or searched.
  void ItemRemoved(TcxCustomGridTableItem* item);
  // Moves the focus to the form's next (or previous) control, only while the grid holds it.
  void FocusNextControl(bool forward);

  // Base controller overrides.
  void AfterPaint() override;
  void BeforeFocusLeave() override;
  void BeforePaint() override;
  bool CanHandleHitTest(Integer x, Integer y) override;
  void CheckCoordinates() override { SetTopRecordIndexChecked(topRecordIndex_); }
  void FocusDetail(TcxCustomGridView* detail) override;
  void DoEnter() override;
  void DoExit() override;
  TObject* GetPatternObject(TObject* object) override;
  bool IsSiteActionEnabled() override;
  void FocusLost() override;
  void DoFocusChanged(bool focused) override;
  void ControlFocusChanged() override;
  bool HasFocusedControls() override;
  bool AllRecordsFit() override;
  // The vertical scroll bar over the records (horizontal scrolling is the descendants').
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind kind, TScrollCode code, Integer& pos) override;
  void BeginDragAndDrop() override;
  void EndDragAndDrop(bool accepted) override;
  void BeforeStartDrag() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void HandleKeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  bool ProcessDialogChar(Word charCode) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void CancelMode() override;
  bool CanDrag(Integer x, Integer y) override;
  void StartDrag(TDragObject*& dragObject) override;
  void DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) override;
  void DragDrop(TObject* source, Integer x, Integer y) override;
  void EndDrag(TObject* target, Integer x, Integer y) override;
  void GetDragImagesSize(TSize& size) override;
  bool UsesDragImages() override { return true; }

  // The drop-downs of the view: each made on first use from its class getter with the view,
  // freed with the controller. A cell whose popup is one of them opens it (IcxCustomGridPopup).
  TcxGridFilterPopup* FilterPopup();
  TcxGridFilterMRUItemsPopup* FilterMRUItemsPopup();
  TcxCustomGridItemsCustomizationPopup* ItemsCustomizationPopup();
  bool HasFilterPopup() const { return filterPopup_ != nullptr; }
  bool HasFilterMRUItemsPopup() const { return filterMRUItemsPopup_ != nullptr; }
  bool HasItemsCustomizationPopup() const { return itemsCustomizationPopup_ != nullptr; }
  virtual TClass GetFilterPopupClass();
  virtual TClass GetFilterMRUItemsPopupClass();
  virtual TClass GetItemsCustomizationPopupClass();

 protected:
  // Posts or drops a pending edit before the focus moves; true ends the move.
  bool PrepareRecordMove(Integer& row, bool forward, TcxGridListenerLink* link);
  // Focuses the first or last row of the page (selecting it alone when asked).
  void FocusPageRow(Integer row, bool select);

 private:
  void FreePopups();
  void ApplyRecordLooks();
  bool recordLooksPending_ = false;
  TcxGridFilterPopup* filterPopup_ = nullptr;
  TcxGridFilterMRUItemsPopup* filterMRUItemsPopup_ = nullptr;
  TcxCustomGridItemsCustomizationPopup* itemsCustomizationPopup_ = nullptr;
  void ScrollTimerTick(TObject*);
  void GridModeSyncTimerTick(TObject*);
  void StopGridModeSyncTimer();
  Integer scrollDirection_ = 0;
  TcxTimer* scrollTimer_ = nullptr;
  bool gridModeSyncPending_ = false;
  TRect gridModeSyncedBounds_;
  TcxTimer* gridModeSyncTimer_ = nullptr;
  void PullTimerTick(TObject*);
  void DragScrollTimerTick(TObject*);
  void RememberPulled();
  bool PulledChanged();
  void SetDragScrollDirection(Integer direction);
  // The record under a point of the site (null when none).
  TcxCustomGridRecord* RecordAt(Integer x, Integer y);
  bool postponedSelection_ = false;
  Integer postponedRow_ = -1;
  bool pullFocusing_ = false;
  TPoint pullPoint_;
  Integer lastPulledRow_ = -1;
  TcxCustomGridTableItem* lastPulledItem_ = nullptr;
  Integer pullDirection_ = 0;
  TcxTimer* pullTimer_ = nullptr;
  Integer dragScrollDirection_ = 0;
  TcxTimer* dragScrollTimer_ = nullptr;
  TcxCustomGridRecord* dragHighlightedRecord_ = nullptr;
  String dragText_;
  TcxGridEditingController* editingController_ = nullptr;
  TcxCustomGridTableItem* focusedItem_ = nullptr;
  Integer topRecordIndex_ = 0;
  bool checkingTopIndex_ = false;
};

// A drag held over a record's expand button: the record expands after the drag-open wait.
class TcxGridDragOpenInfoExpand : public TcxCustomGridDragOpenInfo {
  KORVAN_CLASS(TcxGridDragOpenInfoExpand, TcxCustomGridDragOpenInfo)

 public:
  explicit TcxGridDragOpenInfoExpand(TcxCustomGridRecord* record);
  ~TcxGridDragOpenInfoExpand() override;
  // The record while its view still shows it at its row (null once the view or its rows are
  // made anew during the wait).
  TcxCustomGridRecord* GridRecord();
  bool IsSameTarget(TcxCustomGridDragOpenInfo* info) override;
  void OpenTarget() override;

 private:
  std::unique_ptr<TcxGridViewWatch> watch_;
  TcxCustomGridTableView* view_;
  TcxCustomGridRecord* record_;
  Integer rowIndex_;
};
