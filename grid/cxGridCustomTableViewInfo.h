// Layout and painting of record-based views: the view info that stacks parts (filter box bar,
// and in descendants the group-by box, header and footer) around the records area and the
// navigator site; the records layout with one record view info per shown record; the cells
// of a record and the data cell that paints through its item's editor view info; the
// painters. The concrete row, band and card layouts derive from these classes.
// Sources: cxGridCustomTableViewInfo.cpp (layout, painters), cxGridCustomTableCells.cpp
// (cells).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "grid/cxGridCustomTableView.h"

class TcxCustomGridTableController;
class TcxCustomGridTableViewInfo;
class TcxCustomGridRecordsViewInfo;
class TcxCustomGridRecordViewInfo;
class TcxCustomEditViewInfo;
class TcxCustomEditStyle;

// Watches a view for one step that may destroy it: Alive() turns false once it is gone.
class TcxGridViewWatch {
 public:
  explicit TcxGridViewWatch(TcxCustomGridView* view) : link_(view->AddListenerLink()) {}
  ~TcxGridViewWatch() {
    if (link_->GridView())
      link_->GridView()->RemoveListenerLink(link_);
    else
      delete link_;
  }
  TcxGridViewWatch(const TcxGridViewWatch&) = delete;
  TcxGridViewWatch& operator=(const TcxGridViewWatch&) = delete;
  bool Alive() const { return link_->GridView() != nullptr; }
  TcxGridListenerLink* Link() const { return link_; }

 private:
  TcxGridListenerLink* link_;
};

// ---- parts ---------------------------------------------------------------------------------

enum TcxGridPartAlignment : Byte { gpaTop, gpaBottom };

// A strip stacked above or below the records; it registers in its view info's parts list.
class TcxCustomGridPartViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxCustomGridPartViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  explicit TcxCustomGridPartViewInfo(TcxCustomGridViewInfo* gridViewInfo);
  ~TcxCustomGridPartViewInfo() override;
  // Registration happens after construction (a constructor cannot ask RegistersAsPart).
  void Register();
  TcxCustomGridTableViewInfo* TableViewInfo() const;
  Integer Index();
  void SetIndex(Integer value);
  // Shown parts calculate in the bounds their view info gives them; hidden ones take no room.
  void CalculateOrHide(bool shown);
  Integer Height() const { return height_; }

  virtual void GetLayoutBounds(TRect& r);
  virtual void CalculateHidden();
  virtual void CalculateShown();
  virtual TcxGridPartAlignment GetPartAlignment() = 0;
  virtual bool IsFullWidth() = 0;
  virtual bool RegistersAsPart() { return true; }
  virtual bool ScrollsHorizontally() = 0;
  // Whether the part is shown in this calculation.
  virtual bool IsPartVisible() { return false; }
  TClass GetHitTestClass() override { return TcxGridViewNoneHitTest::StaticClass(); }
  bool HasCustomDrawBackground() override;
  bool CustomDrawBackground(TcxCanvas* canvas) override;

 private:
  Integer height_ = 0;
  bool registered_ = false;
};

class TcxGridFilterButtonsViewInfo;
class TcxDataFilterCriteria;

// The filter box bar: the filter's text and its buttons, shown per the view's FilterBox
// options at the top or the bottom (cxGridFilterBox.h has the buttons).
class TcxGridFilterViewInfo : public TcxCustomGridPartViewInfo {
  KORVAN_CLASS(TcxGridFilterViewInfo, TcxCustomGridPartViewInfo)

 public:
  explicit TcxGridFilterViewInfo(TcxCustomGridViewInfo* gridViewInfo);
  ~TcxGridFilterViewInfo() override;
  TcxGridFilterButtonsViewInfo* ButtonsViewInfo() const { return buttons_; }
  TcxDataFilterCriteria* Filter() const;
  TcxGridPartAlignment GetPartAlignment() override;
  bool IsFullWidth() override { return true; }
  bool ScrollsHorizontally() override { return false; }
  bool IsPartVisible() override;
  TcxCanvas* GetCanvas() override;
  Integer CalculateHeight() override;
  Integer CalculateWidth() override { return GridViewInfo()->ClientWidth(); }
  void CalculateAt(Integer left, Integer top, Integer width = -1, Integer height = -1) override;
  void OffsetBounds(Integer dx, Integer dy) override;
  String GetText() override;
  TRect GetTextAreaBounds() override;
  TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
  void GetViewParams(TcxStyleParams& params) override;
  TBitmap* GetBackgroundBitmap() override;
  TClass GetHitTestClass() override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  // The text hot-tracks (and a press opens the recent filters) while the drop-down shows.
  bool IsHotTrackable() override;
  bool MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  // The right edge of the filter's text as drawn.
  Integer TextRight();

 private:
  TcxGridFilterButtonsViewInfo* buttons_;
};

// The hit test of the navigator site.
class TcxGridNavigatorHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridNavigatorHitTest, TcxCustomGridViewHitTest)

 public:
  Integer GetHitTestCode() override { return 1; }
};

// The navigator site left of the horizontal scroll bar, shown by the view's navigator option:
// the navigator's buttons and, right of them, the navigator offset as a gap before the bar.
// The mouse over it goes to the navigator.
class TcxNavigatorSiteViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxNavigatorSiteViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  using TcxCustomGridViewCellViewInfo::TcxCustomGridViewCellViewInfo;
  TcxCustomGridTableViewInfo* TableViewInfo() const;
  TcxNavigatorViewInfo* NavigatorViewInfo() const;
  TClass GetHitTestClass() override { return TcxGridNavigatorHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  virtual bool IsSiteVisible();
  // The navigator offset and the buttons' needed width.
  Integer CalculateWidth() override;
  bool IsHotTrackable() override { return true; }
  // The navigator repaints its own buttons; the site's state changes paint nothing.
  bool InvalidateOnStateChange() override { return false; }
  bool CaptureMouseOnPress() override { return true; }
  void GetViewParams(TcxStyleParams& params) override;
  bool MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  bool MouseMove(TcxCustomGridHitTest* hitTest, TShiftState shift) override;
  bool MouseUp(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  void MouseLeave() override;
};

// Paints the navigator over the site's background.
class TcxNavigatorSitePainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxNavigatorSitePainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void Paint() override;
};

// ---- cells of a record ---------------------------------------------------------------------

class TcxGridTableCellViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxGridTableCellViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  explicit TcxGridTableCellViewInfo(TcxCustomGridRecordViewInfo* recordViewInfo);
  ~TcxGridTableCellViewInfo() override;
  TcxCustomGridRecordViewInfo* RecordViewInfo() const { return recordViewInfo_; }
  TcxCustomGridRecord* GridRecord() const;
  TcxCustomGridTableView* TableView() const;
  TcxCustomGridTableController* TableController() const;
  // The view's drawn-selected answer for the record and this cell, cached per calculation.
  virtual bool CalculateCellSelected();
  bool Selected();
  TClass GetHitTestClass() override { return TcxGridRecordHitTest::StaticClass(); }
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  bool MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
 private:
  TcxCustomGridRecordViewInfo* recordViewInfo_;
};

// One item of one record, painted, measured and hot-tracked through an editor view info of
// the item's properties (no editor control).
class TcxGridTableDataCellViewInfo : public TcxGridTableCellViewInfo {
  KORVAN_CLASS(TcxGridTableDataCellViewInfo, TcxGridTableCellViewInfo)

 public:
  TcxGridTableDataCellViewInfo(TcxCustomGridRecordViewInfo* recordViewInfo, TcxCustomGridTableItem* item);
  ~TcxGridTableDataCellViewInfo() override;
  TcxCustomGridTableItem* Item() const { return item_; }
  TcxCustomEditProperties* Properties() const { return properties_; }
  TcxCustomEditViewInfo* EditViewInfo() const { return editViewInfo_.get(); }
  bool WasFocusedBeforeClick() const { return wasFocusedBeforeClick_; }

  bool CalculateCellSelected() override;
  virtual void CalculateEditViewInfo(TcxCustomEditViewInfo* viewInfo, const TPoint& mousePos);
  virtual bool CanShowEditorOnMouseDown(TMouseButton button);
  virtual bool CanShowEditor() { return true; }
  virtual bool IsAutoHeight();
  virtual void GetCellDisplayValue(Variant& value);
  virtual void GetEditBounds(TRect& r);
  virtual void GetEditAreaBounds(TRect& r) { r = ContentBounds(); }
  virtual void GetEditorContentMargins(TRect& margins) { margins = TRect(1, 1, 1, 1); }
  virtual bool IsFocusedCell();
  virtual Integer GetMaxLineCount();
  virtual void GetCellValue(Variant& value);
  virtual bool ShowsFocusRect();
  virtual bool IsIncSearchingCell();
  virtual bool AllowsZeroHeight() { return false; }
  virtual bool UsesPlainHint() { return false; }
  virtual void RefreshCell(bool recalculate);
  // Whether the item's editor currently covers this cell.
  bool IsEditing();

  TClass GetHitTestClass() override { return TcxGridRecordCellHitTest::StaticClass(); }
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  void CalculateAt(Integer left, Integer top, Integer width = -1, Integer height = -1) override;
  Integer CalculateHeight() override;
  bool IsHotTrackable() override;
  bool HasFocusRect() override { return IsFocusedCell() && ShowsFocusRect(); }
  TRect GetFocusRect() override { return ContentBounds(); }
  bool MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  bool MouseMove(TcxCustomGridHitTest* hitTest, TShiftState shift) override;
  bool MouseUp(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  void MouseLeave() override;
  void GetViewParams(TcxStyleParams& params) override;
  bool HasCustomDraw() override;
  bool CustomDraw(TcxCanvas* canvas) override;
  bool HasHint() override;
  bool NeedsHint(const TPoint& p, String& text, TRect& textRect, bool& isMultiLine) override;
  void OffsetBounds(Integer dx, Integer dy) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  String GetText() override;
  void ResetCalculated() override;

 protected:
  // The edit style of the cell (for the focused look when the record's focus is drawn).
  virtual void InitCellStyle();
  TcxCustomEditStyle* EditStyle() const { return editStyle_.get(); }

 private:
  void UpdateHotTrack(const TPoint& p);
  TcxCustomGridTableItem* item_;
  TcxCustomEditProperties* properties_ = nullptr;
  std::unique_ptr<TcxCustomEditViewInfo> editViewInfo_;
  std::unique_ptr<TcxCustomEditStyle> editStyle_;
  bool wasFocusedBeforeClick_ = false;
};

class TcxGridTableDataCellPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridTableDataCellPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  TcxGridTableDataCellViewInfo* DataCell() const { return static_cast<TcxGridTableDataCellViewInfo*>(ViewInfo()); }
  void DrawContent() override;
  void DrawFocusRectIfNeeded() override;
};

// ---- records ---------------------------------------------------------------------------------

class TcxCustomGridRecordViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxCustomGridRecordViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  TcxCustomGridRecordViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo, TcxCustomGridRecord* record);
  ~TcxCustomGridRecordViewInfo() override;
  TcxCustomGridRecordsViewInfo* RecordsViewInfo() const { return recordsViewInfo_; }
  TcxCustomGridRecord* GridRecord() const { return record_; }
  TcxCustomGridTableView* TableView() const;
  TcxCustomGridTableController* TableController() const;
  TRect ExpandButtonBounds;
  // Its position in the records layout and whether it lies within the visible count.
  Integer Index();
  bool IsRecordVisible();
  bool Focused();
  bool Expanded();
  bool Selected();

  virtual void CalculateExpandButtonBounds(TRect& r) { r = TRect(); }
  virtual bool CalculateSelected();
  virtual bool HasExpandButton() { return true; }
  virtual void ControlFocusChanged() {}
  virtual bool HasVariableHeight() { return false; }
  virtual void GetBackgroundBitmapBounds(TRect& r) { GetContentAreaBounds(r); }
  virtual bool ShowsBackgroundBitmap() { return HasBackgroundBitmap(); }
  virtual void GetContentAreaBounds(TRect& r) { r = Bounds; }
  virtual void GetExpandButtonAreaBounds(TRect& r) { r = TRect(); }
  virtual void GetFocusRectBounds(TRect& r) { r = Bounds; }
  virtual bool IsFocusRectHidden();
  virtual bool FocusRectCoversRecord();
  virtual bool AcceptsRecordHitTest(TcxCustomGridHitTest* hitTest);
  virtual bool IsDetailVisible(TcxCustomGridView* detail) { return false; }
  virtual void SiteVisibilityChanged(bool visible) {}
  virtual bool FocusRecordOnClick(TShiftState shift);
  virtual void GetItemAreaBounds(TcxCustomGridTableItem* item, TRect& r);
  virtual void GetItemCellBounds(TcxCustomGridTableItem* item, TRect& r) { r = TRect(); }
  virtual TcxGridTableDataCellViewInfo* GetCellViewInfoByItem(TcxCustomGridTableItem* item) { return nullptr; }
  virtual void CalculateAtPos(Integer left, Integer top);
  // Calculated again in its place (its look follows a focus or selection change).
  void Recalculate();
  virtual bool ProcessDialogChar(Word character) { return false; }
  // Whether the focus of the record is drawn (the site or its editor has the focus, or the
  // focus stays shown on exit).
  virtual bool IsFocusDrawn();
  // The height kept in the view-info cache for the record's row.
  Integer GetCachedHeight();
  // The record's wrapper is being freed.
  void RecordDestroyed() {
    record_ = nullptr;
    registered_ = false;
  }

  TClass GetHitTestClass() override { return TcxGridRecordHitTest::StaticClass(); }
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  bool MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  void ResetCalculated() override;

 private:
  friend class TcxCustomGridRecordsViewInfo;
  void CalculateInBounds(const TRect& r);
  TcxCustomGridRecordsViewInfo* recordsViewInfo_;
  TcxCustomGridRecord* record_;
  bool registered_ = false;
  bool expanded_ = false, expandedCalculated_ = false;
};

// Draws the record's focus rectangle and expand button and leaves the record out of the
// background; descendants draw the record's cells.
class TcxCustomGridRecordPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxCustomGridRecordPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  TcxCustomGridRecordViewInfo* RecordViewInfo() const {
    return static_cast<TcxCustomGridRecordViewInfo*>(ViewInfo());
  }
  virtual void DrawExpandButton();
  virtual bool DrawExpandButtonBeforePaint() { return true; }
  virtual void DrawRecordFocusRect();
  // The record's cells (descendants).
  virtual void DrawCells() {}
  void Paint() override;
};

// ---- records layout ---------------------------------------------------------------------------

class TcxCustomGridRecordsViewInfo : public TObject {
  KORVAN_CLASS(TcxCustomGridRecordsViewInfo, TObject)

 public:
  using CreateArgType = TcxCustomGridTableViewInfo*;
  explicit TcxCustomGridRecordsViewInfo(TcxCustomGridTableViewInfo* gridViewInfo);
  ~TcxCustomGridRecordsViewInfo() override;

  TcxCustomGridTableViewInfo* GridViewInfo() const { return gridViewInfo_; }
  TcxCustomGridTableView* GridView() const;
  TcxCustomGridTableController* Controller() const;
  TcxCustomGridTableViewData* ViewData() const;
  TRect Bounds, ContentBounds;
  Integer VisibleCount = 0;
  // Record view infos made so far (the list grows on demand).
  Integer Count() const { return Integer(items_.size()); }
  TcxCustomGridRecordViewInfo* Items(Integer i) const { return items_.at(size_t(i)); }
  // The entry at i, made (and appended) when i is the next position of an available record.
  TcxCustomGridRecordViewInfo* FetchRecordViewInfo(Integer i);
  Integer FirstRecordIndex();
  // The row index shown at position i (first + i downwards, first - i upwards).
  Integer GetRecordIndex(Integer i);
  Integer GetAvailableRecordCount();
  bool IsMainCalculation();
  TcxGridTableDataCellViewInfo* IncSearchingCell();

  virtual void AfterCalculate();
  virtual void BeforeCalculate();
  virtual void Recalculate();
  virtual void RefreshRows() {}
  virtual void BeforeOffset() { incSearchingCellCalculated_ = false; }
  virtual void CalculateBounds();
  virtual void GetDefaultBounds(TRect& r);
  virtual void GetContentBounds(TRect& r) { r = Bounds; }
  virtual TcxGridTableDataCellViewInfo* CalculateIncSearchingCell();
  virtual void CalculateVisibleCount() { VisibleCount = 0; }
  virtual void GetCellAreaClipBounds(TcxCustomGridCellViewInfo* cell, TRect& r);
  virtual bool HasVariableRecordHeight() { return UsesVariableCellHeight(); }
  virtual bool UsesVariableCellHeight();
  virtual TBitmap* GetRecordsBackgroundBitmap();
  virtual Integer GetItemLeftBound(Integer index) = 0;
  virtual Integer GetPixelScrollSize(Integer count) = 0;
  virtual Integer GetItemTopBound(Integer index) = 0;
  virtual bool IsEmpty() { return items_.empty(); }
  virtual void OffsetItem(Integer index, Integer pixels) = 0;
  virtual void ControlFocusChanged();
  virtual void SiteVisibilityChanged(bool visible);
  virtual TClass GetPainterClass();
  virtual bool CanOffsetRecords(Integer count);
  virtual Integer AddHorzGridLineWidth(Integer value) { return value; }
  virtual TcxCustomGridHitTest* GetHitTest(const TPoint& p);
  virtual TcxCustomGridRecordViewInfo* GetViewInfoOfRecord(TcxCustomGridRecord* record);
  virtual void CalculateLayout();
  virtual void OffsetRecords(Integer count);
  virtual void OffsetBounds(Integer dx, Integer dy);
  // Records per page when all records have one height; -1 when unknown.
  virtual Integer GetRecordsPerPage() { return -1; }
  // Makes the record view info of a record (its class comes from the record).
  virtual TcxCustomGridRecordViewInfo* CreateRecordViewInfo(TcxCustomGridRecord* record);
  // Positions a record view info at index i at the place the descendant gives.
  virtual void CalculateItem(Integer i);
  // Places the records that fit and sets the visible count (descendants).
  virtual void CalculateItems() {}
  void Paint(TcxCanvas* canvas);

 protected:
  void ClearItems();

 private:
  TcxCustomGridTableViewInfo* gridViewInfo_;
  std::vector<TcxCustomGridRecordViewInfo*> items_;
  TcxGridTableDataCellViewInfo* incSearchingCell_ = nullptr;
  bool incSearchingCellCalculated_ = false;
};

class TcxCustomGridRecordsPainter : public TObject {
  KORVAN_CLASS(TcxCustomGridRecordsPainter, TObject)

 public:
  TcxCustomGridRecordsPainter(TcxCanvas* canvas, TcxCustomGridRecordsViewInfo* viewInfo)
      : canvas_(canvas), viewInfo_(viewInfo) {}
  virtual void Paint();
  TcxCanvas* Canvas() const { return canvas_; }
  TcxCustomGridRecordsViewInfo* ViewInfo() const { return viewInfo_; }

 private:
  TcxCanvas* canvas_;
  TcxCustomGridRecordsViewInfo* viewInfo_;
};
using TcxGridRecordsPainterFactory =
    std::function<TcxCustomGridRecordsPainter*(TcxCanvas*, TcxCustomGridRecordsViewInfo*)>;
void RegisterGridRecordsPainterFactory(TClass painterClass, TcxGridRecordsPainterFactory factory);

// ---- the view info ------------------------------------------------------------------------------

// The layout of a record-based view; it shows the view's navigator (the navigator's owner).
class TcxCustomGridTableViewInfo : public TcxCustomGridViewInfo, public IcxNavigatorOwner {
  KORVAN_CLASS(TcxCustomGridTableViewInfo, TcxCustomGridViewInfo)

 public:
  explicit TcxCustomGridTableViewInfo(TcxCustomGridView* gridView);
  ~TcxCustomGridTableViewInfo() override;
  // Made on first use; it lives as long as this layout, across recalculations.
  TcxNavigatorViewInfo* NavigatorViewInfo();

  // IcxNavigatorOwner
  void NavigatorChanged(Integer changeType) override;
  TRect GetNavigatorBounds() override;
  TcxCustomNavigatorButtons* GetNavigatorButtons() override;
  TCanvas* GetNavigatorCanvas() override;
  TWinControl* GetNavigatorControl() override;
  bool GetNavigatorFocused() override { return false; }
  TcxLookAndFeel* GetNavigatorLookAndFeel() override;
  TComponent* GetNavigatorOwner() override;
  bool GetNavigatorShowHint() override;
  bool GetNavigatorTabStop() override { return false; }
  void NavigatorStateChanged() override;
  void RefreshNavigator() override;
  TcxCustomGridTableView* TableView() const;
  TcxCustomGridTableController* TableController() const;

  bool CalculateDown = true;
  // -1; a temporary view info measuring from a given record keeps it here.
  Integer FirstRecordIndexOverride = -1;
  TcxGridFilterViewInfo* FilterViewInfo() const { return filterViewInfo_; }
  TcxNavigatorSiteViewInfo* NavigatorSiteViewInfo() const { return navigatorSiteViewInfo_; }
  TcxCustomGridRecordsViewInfo* RecordsViewInfo() const { return recordsViewInfo_; }
  Integer PartCount() const { return Integer(parts_.size()); }
  TcxCustomGridPartViewInfo* Parts(Integer i) const { return parts_.at(size_t(i)); }
  TSize NavigatorSize;
  // The cell a press is running on (cleared when the cell goes).
  TcxCustomGridCellViewInfo* PressedCell = nullptr;

  virtual void GetNavigatorBounds(TRect& r);
  virtual void AfterOffset();
  virtual void BeforeOffset();
  virtual void GetPartBounds(TcxCustomGridPartViewInfo* part, TRect& r);
  virtual Integer EstimateVisibleRowCount() { return -1; }
  virtual Integer GetMaxVisibleRowCount() { return 0; }
  virtual TClass GetFilterViewInfoClass() { return TcxGridFilterViewInfo::StaticClass(); }
  virtual Integer GetNavigatorOffset();
  virtual void GetNavigatorSiteBounds(TRect& r);
  virtual TClass GetNavigatorSiteViewInfoClass() { return TcxNavigatorSiteViewInfo::StaticClass(); }
  // The navigator's view info (a grid's navigator is in place).
  virtual TcxNavigatorViewInfo* CreateNavigatorViewInfo() { return new TcxNavigatorViewInfo(this, true); }
  virtual void GetNoDataTextBounds(TRect& r);
  virtual void GetNoDataTextParams(TcxStyleParams& params);
  virtual bool IsRecordsEmpty();
  virtual Integer GetNonRecordsHeight(bool withScrollBar);
  virtual TClass GetRecordsViewInfoClass() = 0;
  virtual void GetVisibleAreaBounds(TRect& r) { r = ClientBounds(); }
  virtual void GetCellVisibilityArea(TRect& r) { GetVisibleAreaBounds(r); }
  virtual void GetHorzScrollArea(TRect& r) { GetVisibleAreaBounds(r); }
  virtual void GetVertScrollArea(TRect& r) { GetVisibleAreaBounds(r); }
  virtual void OffsetRecords(Integer count);
  virtual void OffsetHorizontally(Integer dx, Integer dy);
  virtual bool CanOffsetView(Integer records, Integer dx, Integer dy) { return true; }
  virtual bool CanOffsetRecords(Integer count);
  virtual void OffsetView(Integer records, Integer dx, Integer dy);
  virtual Integer SnapHeightToRows(Integer height) { return height; }
  virtual Integer HeightForRowCount(Integer count) { return 0; }
  // Whether the navigator site is shown in this calculation.
  bool IsNavigatorSiteShown();

  void CreatePartViewInfos() override;
  void DestroyPartViewInfos(bool isRecreating) override;
  void CompleteCalculation() override;
  void Calculate() override;
  TRect GetClientBounds() override;
  void ControlFocusChanged() override;
  TcxCustomGridHitTest* GetContentHitTest(const TPoint& p) override;
  bool IsInternal() override { return FirstRecordIndexOverride != -1 || TcxCustomGridViewInfo::IsInternal(); }
  Integer HScrollBarLeftIndent() override { return NavigatorSize.cx; }
  void VisibilityChanged(bool visible) override;

  // Parts add and remove themselves.
  void AddPart(TcxCustomGridPartViewInfo* part) { parts_.push_back(part); }
  void RemovePart(TcxCustomGridPartViewInfo* part);
  void MovePart(TcxCustomGridPartViewInfo* part, Integer index);
  Integer IndexOfPart(TcxCustomGridPartViewInfo* part) const;

 protected:
  // The base parts of descendants (group-by box, header, footer): made after the filter bar.
  virtual void CreateViewParts() {}
  virtual void DestroyViewParts() {}

 private:
  TcxGridFilterViewInfo* filterViewInfo_ = nullptr;
  TcxNavigatorSiteViewInfo* navigatorSiteViewInfo_ = nullptr;
  TcxNavigatorViewInfo* navigatorViewInfo_ = nullptr;
  TcxCustomGridRecordsViewInfo* recordsViewInfo_ = nullptr;
  std::vector<TcxCustomGridPartViewInfo*> parts_;
};

// The per-row cache: a record's height once measured.
class TcxCustomGridTableViewInfoCacheItem : public TcxCustomGridViewInfoCacheItem {
 public:
  using TcxCustomGridViewInfoCacheItem::TcxCustomGridViewInfoCacheItem;
  void ClearCachedSizes(bool keepMaster) override { IsRecordHeightAssigned = false; }
  void SetRecordHeight(Integer value) {
    RecordHeight = value;
    IsRecordHeightAssigned = true;
  }
  TcxCustomGridRecord* GridRecord() const;
  Integer RecordHeight = 0;
  bool IsRecordHeightAssigned = false;
};

class TcxCustomGridTableViewInfoCache : public TcxCustomGridViewInfoCache {
  KORVAN_CLASS(TcxCustomGridTableViewInfoCache, TcxCustomGridViewInfoCache)

 public:
  explicit TcxCustomGridTableViewInfoCache(TcxCustomGridView* v) : TcxCustomGridViewInfoCache(v) {}
  TcxCustomGridTableViewInfoCacheItem* Item(Integer index) {
    return static_cast<TcxCustomGridTableViewInfoCacheItem*>(GetItem(index));
  }

 protected:
  TcxCustomGridViewInfoCacheItem* CreateItem(Integer index) override {
    return new TcxCustomGridTableViewInfoCacheItem(this, index);
  }
};

// ---- the view painter ------------------------------------------------------------------------

class TcxCustomGridTablePainter : public TcxCustomGridPainter {
  KORVAN_CLASS(TcxCustomGridTablePainter, TcxCustomGridPainter)

 public:
  explicit TcxCustomGridTablePainter(TcxCustomGridView* v) : TcxCustomGridPainter(v) {}
  TcxCustomGridTableViewInfo* TableViewInfo() { return static_cast<TcxCustomGridTableViewInfo*>(PaintViewInfo()); }
  virtual void DrawNoDataText();
  virtual void DrawFilterBar();
  virtual void DrawNavigator();
  virtual void DrawRecords();
  // Whether the screen may be scrolled for a layout offset instead of repainting it.
  virtual bool CanScrollWindow();
  // Scrolls the site's content (records area) by pixels, or repaints it when it cannot.
  virtual void ScrollWindowArea(Integer dx, Integer dy, const TRect& area);
  void DrawBackground() override;
  void PaintViewContent() override;
};

// The canvas cells measure on: the site's once it has a window or a parent (a site gets its
// window only when shown, after its first calculation), else the screen's.
TcxCanvas* GridTableMeasuringCanvas(TcxCustomGridViewInfo* viewInfo);
// The text an empty record-based view shows.
String GridNoDataText();
