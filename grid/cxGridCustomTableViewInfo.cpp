// Layout of record-based views: parts, records layout, record view infos and the painters.
#include "grid/cxGridCustomTableViewInfo.h"

#include <algorithm>
#include <map>

#include "data/cxCustomDataInternal.h"
#include "grid/cxGrid.h"
#include "rtl/SysUtils.h"
#include "grid/cxGridCustomTableController.h"

using cxdata_internal::Finally;

KORVAN_IMPLEMENT_CLASS(TcxCustomGridPartViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridFilterViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridNavigatorHitTest)
KORVAN_IMPLEMENT_CLASS(TcxNavigatorSiteViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxNavigatorSitePainter)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridRecordViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridRecordPainter)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridRecordsViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridRecordsPainter)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridTableViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridTableViewInfoCache)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridTablePainter)

namespace {
const TcxResourceStringRec scxGridNoDataInfoText{"scxGridNoDataInfoText", "<No data to display>"};

std::map<TClass, TcxGridRecordsPainterFactory>& RecordsPainterFactories() {
  static std::map<TClass, TcxGridRecordsPainterFactory> factories;
  return factories;
}

struct TRecordPainterRegistration {
  TRecordPainterRegistration() {
    RegisterGridCellPainterFactory(TcxCustomGridRecordPainter::StaticClass(),
                                   [](TcxCanvas* c, TcxCustomGridCellViewInfo* v) -> TcxCustomGridCellPainter* {
                                     return new TcxCustomGridRecordPainter(c, v);
                                   });
    RegisterGridCellPainterFactory(TcxNavigatorSitePainter::StaticClass(),
                                   [](TcxCanvas* c, TcxCustomGridCellViewInfo* v) -> TcxCustomGridCellPainter* {
                                     return new TcxNavigatorSitePainter(c, v);
                                   });
  }
} recordPainterRegistration;
}  // namespace

TClass TcxCustomGridTableView::GetViewInfoCacheClass() { return TcxCustomGridTableViewInfoCache::StaticClass(); }

TcxCanvas* GridTableMeasuringCanvas(TcxCustomGridViewInfo* viewInfo) {
  TcxGridSite* site = viewInfo ? viewInfo->SiteWindow() : nullptr;
  return site && (site->HandleAllocated() || site->Parent()) ? viewInfo->GetCanvas() : LazyScreenCanvas();
}

String GridNoDataText() { return LoadReplaceableResString(scxGridNoDataInfoText); }

void RegisterGridRecordsPainterFactory(TClass painterClass, TcxGridRecordsPainterFactory factory) {
  RecordsPainterFactories()[painterClass] = std::move(factory);
}

// ---- parts -----------------------------------------------------------------------------------

TcxCustomGridPartViewInfo::TcxCustomGridPartViewInfo(TcxCustomGridViewInfo* gridViewInfo)
    : TcxCustomGridViewCellViewInfo(gridViewInfo) {}

TcxCustomGridPartViewInfo::~TcxCustomGridPartViewInfo() {
  if (registered_) TableViewInfo()->RemovePart(this);
}

void TcxCustomGridPartViewInfo::Register() {
  if (registered_ || !RegistersAsPart()) return;
  TableViewInfo()->AddPart(this);
  registered_ = true;
}

TcxCustomGridTableViewInfo* TcxCustomGridPartViewInfo::TableViewInfo() const {
  return static_cast<TcxCustomGridTableViewInfo*>(GridViewInfo());
}

Integer TcxCustomGridPartViewInfo::Index() { return TableViewInfo()->IndexOfPart(this); }
void TcxCustomGridPartViewInfo::SetIndex(Integer value) { TableViewInfo()->MovePart(this, value); }

void TcxCustomGridPartViewInfo::GetLayoutBounds(TRect& r) { TableViewInfo()->GetPartBounds(this, r); }

void TcxCustomGridPartViewInfo::CalculateOrHide(bool shown) {
  if (shown)
    CalculateShown();
  else
    CalculateHidden();
}

void TcxCustomGridPartViewInfo::CalculateHidden() {
  height_ = 0;
  Visible = false;
  Bounds = TRect();
}

void TcxCustomGridPartViewInfo::CalculateShown() {
  Visible = true;
  height_ = CalculateHeight();
  TRect r;
  GetLayoutBounds(r);
  CalculateInRect(r);
}

bool TcxCustomGridPartViewInfo::HasCustomDrawBackground() {
  auto* view = dynamic_cast<TcxCustomGridTableView*>(GridView());
  return view && bool(view->OnCustomDrawPartBackground);
}

bool TcxCustomGridPartViewInfo::CustomDrawBackground(TcxCanvas* canvas) {
  bool done = TcxCustomGridViewCellViewInfo::CustomDrawBackground(canvas);
  auto* view = dynamic_cast<TcxCustomGridTableView*>(GridView());
  if (!done && view && view->OnCustomDrawPartBackground) view->OnCustomDrawPartBackground(view, canvas, this, done);
  return done;
}

// ---- record view info ---------------------------------------------------------------------------

TcxCustomGridRecordViewInfo::TcxCustomGridRecordViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo,
                                                         TcxCustomGridRecord* record)
    : TcxCustomGridViewCellViewInfo(recordsViewInfo->GridViewInfo()), recordsViewInfo_(recordsViewInfo),
      record_(record) {
  if (record_ && !record_->ViewInfo) {
    record_->ViewInfo = this;
    registered_ = true;
  }
}

TcxCustomGridRecordViewInfo::~TcxCustomGridRecordViewInfo() {
  if (registered_ && record_ && record_->ViewInfo == this) record_->ViewInfo = nullptr;
}

TcxCustomGridTableView* TcxCustomGridRecordViewInfo::TableView() const {
  return static_cast<TcxCustomGridTableView*>(GridView());
}

TcxCustomGridTableController* TcxCustomGridRecordViewInfo::TableController() const {
  return recordsViewInfo_->Controller();
}

Integer TcxCustomGridRecordViewInfo::Index() {
  for (Integer i = 0; i < recordsViewInfo_->Count(); ++i)
    if (recordsViewInfo_->Items(i) == this) return i;
  return -1;
}

bool TcxCustomGridRecordViewInfo::IsRecordVisible() { return Index() < recordsViewInfo_->VisibleCount; }

bool TcxCustomGridRecordViewInfo::Focused() { return record_ && record_->Focused(); }

bool TcxCustomGridRecordViewInfo::Expanded() {
  if (!expandedCalculated_) {
    expanded_ = record_ && record_->GetExpanded();
    expandedCalculated_ = true;
  }
  return expanded_;
}

// Not cached: a focus or selection change repaints the rows without laying them out again.
bool TcxCustomGridRecordViewInfo::Selected() { return CalculateSelected(); }

bool TcxCustomGridRecordViewInfo::CalculateSelected() {
  return record_ && TableView()->IsCellPaintedSelected(record_, nullptr, nullptr);
}

bool TcxCustomGridRecordViewInfo::IsFocusRectHidden() {
  return TableView()->TableOptionsSelection()->HideFocusRectOnExit();
}

bool TcxCustomGridRecordViewInfo::FocusRectCoversRecord() {
  auto* selection = TableView()->TableOptionsSelection();
  return !(selection->CellSelect() && !selection->InvertSelect());
}

bool TcxCustomGridRecordViewInfo::AcceptsRecordHitTest(TcxCustomGridHitTest* hitTest) {
  auto* recordHitTest = dynamic_cast<TcxGridRecordHitTest*>(hitTest);
  return recordHitTest && recordHitTest->CanClick();
}

bool TcxCustomGridRecordViewInfo::IsFocusDrawn() {
  if (!Focused()) return false;
  return TableView()->IsControlFocused() || !IsFocusRectHidden();
}

bool TcxCustomGridRecordViewInfo::FocusRecordOnClick(TShiftState shift) {
  if (shift.Contains(ssDouble)) return true;
  TcxGridViewWatch watch(TableView());
  if (record_) record_->SetFocused(true);
  return watch.Alive();
}

void TcxCustomGridRecordViewInfo::GetItemAreaBounds(TcxCustomGridTableItem* item, TRect& r) {
  if (item)
    GetItemCellBounds(item, r);
  else
    r = Bounds;
}

Integer TcxCustomGridRecordViewInfo::GetCachedHeight() {
  auto* cache = dynamic_cast<TcxCustomGridTableViewInfoCache*>(GridView()->ViewInfoCache());
  if (!cache || !record_ || record_->Index() < 0) return CalculateHeight();
  TcxCustomGridTableViewInfoCacheItem* item = cache->Item(record_->Index());
  if (!item->IsRecordHeightAssigned) item->SetRecordHeight(CalculateHeight());
  return item->RecordHeight;
}

void TcxCustomGridRecordViewInfo::CalculateAtPos(Integer left, Integer top) {
  CalculateInBounds(TRect(left, top, left + CalculateWidth(), top + GetCachedHeight()));
}

void TcxCustomGridRecordViewInfo::CalculateInBounds(const TRect& r) {
  ResetCalculated();
  CalculateAt(r.Left, r.Top, r.Width(), r.Height());
  if (HasExpandButton() && record_ && record_->GetExpandable()) CalculateExpandButtonBounds(ExpandButtonBounds);
}

// The bounds the layout gave stay (a card may be cut to the cards area).
void TcxCustomGridRecordViewInfo::Recalculate() {
  if (Calculated() && !Destroying()) CalculateInBounds(TRect(Bounds));
}

void TcxCustomGridRecordViewInfo::ResetCalculated() {
  expandedCalculated_ = false;
  TcxCustomGridViewCellViewInfo::ResetCalculated();
}

TcxCustomGridHitTest* TcxCustomGridRecordViewInfo::GetHitTest(const TPoint& p) {
  if (record_ && HasExpandButton() && record_->GetExpandable()) {
    TRect area;
    GetExpandButtonAreaBounds(area);
    if (area.IsEmpty()) area = ExpandButtonBounds;
    if (area.Contains(p)) {
      auto* hitTest = GetPooledHitTest<TcxGridExpandButtonHitTest>(p);
      InitHitTest(hitTest);
      return hitTest;
    }
  }
  return TcxCustomGridViewCellViewInfo::GetHitTest(p);
}

void TcxCustomGridRecordViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  TcxCustomGridViewCellViewInfo::InitHitTest(hitTest);
  if (auto* h = dynamic_cast<TcxGridRecordHitTest*>(hitTest)) h->GridRecord = record_;
}

bool TcxCustomGridRecordViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  bool result = TcxCustomGridViewCellViewInfo::MouseDown(hitTest, button, shift);
  if (button == mbLeft && dynamic_cast<TcxGridExpandButtonHitTest*>(hitTest) && record_) {
    record_->SetExpanded(!Expanded());
    return true;
  }
  if (result || button == mbMiddle || !AcceptsRecordHitTest(hitTest)) return result;
  TcxGridSite* site = GridView()->Site();
  if (!site || !site->HandleAllocated() || !site->Focused()) return result;
  return FocusRecordOnClick(shift);
}

TcxCustomGridCellPainterClass TcxCustomGridRecordViewInfo::GetPainterClass() {
  return TcxCustomGridRecordPainter::StaticClass();
}

// ---- record painter ---------------------------------------------------------------------------------

void TcxCustomGridRecordPainter::DrawExpandButton() {
  TcxCustomGridRecordViewInfo* info = RecordViewInfo();
  if (!info->HasExpandButton() || !info->GridRecord() || !info->GridRecord()->GetExpandable()) return;
  if (info->ExpandButtonBounds.IsEmpty()) return;
  TcxRegion* saved = Canvas()->CopyClipRegion();
  Finally restore{[&] { Canvas()->ApplyClipRegion(saved, roSet, true); }};
  info->GridView()->Controller()->GetLookAndFeelPainter()->PaintExpandButton(Canvas(), info->ExpandButtonBounds,
                                                                           info->Expanded(), clDefault);
}

void TcxCustomGridRecordPainter::DrawRecordFocusRect() {
  TcxCustomGridRecordViewInfo* info = RecordViewInfo();
  if (!info->TableView()->TableOptionsView()->FocusRect()) return;
  if (!info->IsFocusDrawn() || !info->FocusRectCoversRecord()) return;
  TRect r;
  info->GetFocusRectBounds(r);
  info->GridView()->Painter()->DrawFocusRect(r, info->IsFocusRectHidden());
}

void TcxCustomGridRecordPainter::Paint() {
  TcxCustomGridRecordViewInfo* info = RecordViewInfo();
  if (!IsVisible()) return;
  if (info->ShowsBackgroundBitmap()) {
    TRect r;
    info->GetBackgroundBitmapBounds(r);
    DrawBackgroundBitmap(Canvas(), r);
  }
  bool expandFirst = DrawExpandButtonBeforePaint();
  if (expandFirst) DrawExpandButton();
  DrawCells();
  if (!expandFirst) DrawExpandButton();
  DrawRecordFocusRect();
  if (TcxCustomGridPainter* painter = info->GridView()->Painter()) painter->ExcludeFromBackground(info->Bounds);
}

// ---- records layout -----------------------------------------------------------------------------------

TcxCustomGridRecordsViewInfo::TcxCustomGridRecordsViewInfo(TcxCustomGridTableViewInfo* gridViewInfo)
    : gridViewInfo_(gridViewInfo) {}

TcxCustomGridRecordsViewInfo::~TcxCustomGridRecordsViewInfo() { ClearItems(); }

void TcxCustomGridRecordsViewInfo::ClearItems() {
  incSearchingCell_ = nullptr;
  incSearchingCellCalculated_ = false;
  std::vector<TcxCustomGridRecordViewInfo*> items;
  items.swap(items_);
  for (TcxCustomGridRecordViewInfo* item : items) delete item;
}

TcxCustomGridTableView* TcxCustomGridRecordsViewInfo::GridView() const { return gridViewInfo_->TableView(); }

TcxCustomGridTableController* TcxCustomGridRecordsViewInfo::Controller() const {
  return gridViewInfo_->TableController();
}

TcxCustomGridTableViewData* TcxCustomGridRecordsViewInfo::ViewData() const { return GridView()->TableViewData(); }

bool TcxCustomGridRecordsViewInfo::IsMainCalculation() { return !gridViewInfo_->IsInternal(); }

Integer TcxCustomGridRecordsViewInfo::FirstRecordIndex() {
  if (gridViewInfo_->FirstRecordIndexOverride != -1) return gridViewInfo_->FirstRecordIndexOverride;
  return Controller() ? Controller()->TopRecordIndex() : 0;
}

Integer TcxCustomGridRecordsViewInfo::GetRecordIndex(Integer i) {
  return gridViewInfo_->CalculateDown ? FirstRecordIndex() + i : FirstRecordIndex() - i;
}

Integer TcxCustomGridRecordsViewInfo::GetAvailableRecordCount() {
  TcxCustomGridTableViewData* data = ViewData();
  Integer count = data ? data->CountRecords() : 0;
  Integer first = FirstRecordIndex();
  if (count == 0 || first == -1) return 0;
  return std::max(0, gridViewInfo_->CalculateDown ? count - first : first + 1);
}

TcxCustomGridRecordViewInfo* TcxCustomGridRecordsViewInfo::CreateRecordViewInfo(TcxCustomGridRecord* record) {
  TcxGridRecordViewInfoClass cls = record->GetViewInfoClass();
  return cls ? cls(this, record) : nullptr;
}

TcxCustomGridRecordViewInfo* TcxCustomGridRecordsViewInfo::FetchRecordViewInfo(Integer i) {
  if (i < 0) return nullptr;
  if (i < Count()) return items_[size_t(i)];
  if (i != Count() || i >= GetAvailableRecordCount()) return nullptr;
  TcxCustomGridRecord* record = ViewData()->RecordAtRowIndex(GetRecordIndex(i));
  if (!record) return nullptr;
  TcxCustomGridRecordViewInfo* item = CreateRecordViewInfo(record);
  if (item) items_.push_back(item);
  return item;
}

TcxGridTableDataCellViewInfo* TcxCustomGridRecordsViewInfo::IncSearchingCell() {
  if (!incSearchingCellCalculated_) incSearchingCell_ = CalculateIncSearchingCell();
  return incSearchingCell_;
}

TcxGridTableDataCellViewInfo* TcxCustomGridRecordsViewInfo::CalculateIncSearchingCell() {
  incSearchingCellCalculated_ = true;
  TcxCustomGridTableController* controller = Controller();
  if (!controller || !controller->IsIncSearching()) return nullptr;
  TcxCustomGridRecord* record = controller->FocusedRecord();
  if (!record || !record->ViewInfo) return nullptr;
  return record->ViewInfo->GetCellViewInfoByItem(controller->GetIncSearchedItem());
}

void TcxCustomGridRecordsViewInfo::BeforeCalculate() {
  ClearItems();
  if (IsMainCalculation() && Controller()) Controller()->EditingController()->UnplaceEdit();
}

void TcxCustomGridRecordsViewInfo::AfterCalculate() {
  if (IsMainCalculation() && Controller()) Controller()->EditingController()->HideUnplacedEdit();
}

void TcxCustomGridRecordsViewInfo::Recalculate() {
  incSearchingCellCalculated_ = false;
  gridViewInfo_->Recalculate();
}

void TcxCustomGridRecordsViewInfo::CalculateBounds() {
  GetDefaultBounds(Bounds);
  GetContentBounds(ContentBounds);
}

void TcxCustomGridRecordsViewInfo::GetDefaultBounds(TRect& r) { r = gridViewInfo_->ClientBounds(); }

void TcxCustomGridRecordsViewInfo::GetCellAreaClipBounds(TcxCustomGridCellViewInfo*, TRect& r) {
  gridViewInfo_->GetVisibleAreaBounds(r);
}

bool TcxCustomGridRecordsViewInfo::UsesVariableCellHeight() {
  return GridView()->TableOptionsView()->CellAutoHeight() || bool(GridView()->OnGetCellHeight);
}

TBitmap* TcxCustomGridRecordsViewInfo::GetRecordsBackgroundBitmap() {
  auto* bitmaps = dynamic_cast<TcxCustomGridTableBackgroundBitmaps*>(GridView()->BackgroundBitmaps());
  return bitmaps ? bitmaps->GetBitmap(TcxCustomGridTableBackgroundBitmaps::bbContent) : nullptr;
}

void TcxCustomGridRecordsViewInfo::ControlFocusChanged() {
  for (TcxCustomGridRecordViewInfo* item : items_) item->ControlFocusChanged();
}

void TcxCustomGridRecordsViewInfo::SiteVisibilityChanged(bool visible) {
  for (TcxCustomGridRecordViewInfo* item : items_) item->SiteVisibilityChanged(visible);
}

TClass TcxCustomGridRecordsViewInfo::GetPainterClass() { return TcxCustomGridRecordsPainter::StaticClass(); }

bool TcxCustomGridRecordsViewInfo::CanOffsetRecords(Integer count) {
  return !items_.empty() && std::abs(count) < Count();
}

TcxCustomGridHitTest* TcxCustomGridRecordsViewInfo::GetHitTest(const TPoint& p) {
  for (Integer i = 0; i < std::min(VisibleCount, Count()); ++i)
    if (TcxCustomGridHitTest* hitTest = items_[size_t(i)]->GetHitTest(p)) return hitTest;
  return nullptr;
}

TcxCustomGridRecordViewInfo* TcxCustomGridRecordsViewInfo::GetViewInfoOfRecord(TcxCustomGridRecord* record) {
  for (TcxCustomGridRecordViewInfo* item : items_)
    if (item->GridRecord() == record) return item;
  return nullptr;
}

void TcxCustomGridRecordsViewInfo::CalculateItem(Integer i) {
  if (TcxCustomGridRecordViewInfo* item = FetchRecordViewInfo(i))
    item->CalculateAtPos(GetItemLeftBound(i), GetItemTopBound(i));
}

void TcxCustomGridRecordsViewInfo::CalculateLayout() {
  BeforeCalculate();
  CalculateBounds();
  CalculateItems();
  AfterCalculate();
}

void TcxCustomGridRecordsViewInfo::OffsetRecords(Integer count) {
  if (count == 0) return;
  Integer n = std::abs(count);
  // The list keeps its length: what leaves on one side comes in on the other.
  Integer length = Count();
  Integer pixels;
  if (count > 0) {
    // The first n leave: their extent is what the rest moves up.
    pixels = -GetPixelScrollSize(n);
    for (Integer i = 0; i < n; ++i) delete items_[size_t(i)];
    items_.erase(items_.begin(), items_.begin() + n);
    for (Integer i = 0; i < Count(); ++i) OffsetItem(i, pixels);
  } else {
    // n new records come in at the front: make them first, so their extent is known.
    std::vector<TcxCustomGridRecordViewInfo*> fresh;
    for (Integer i = 0; i < n && i < GetAvailableRecordCount(); ++i) {
      TcxCustomGridRecord* record = ViewData()->RecordAtRowIndex(GetRecordIndex(i));
      TcxCustomGridRecordViewInfo* item = record ? CreateRecordViewInfo(record) : nullptr;
      if (!item) break;
      fresh.push_back(item);
    }
    Integer old = Count();
    items_.insert(items_.begin(), fresh.begin(), fresh.end());
    pixels = GetPixelScrollSize(-Integer(fresh.size()));
    for (Integer i = Integer(fresh.size()); i < Integer(fresh.size()) + old; ++i) OffsetItem(i, pixels);
    for (Integer i = 0; i < Integer(fresh.size()); ++i) CalculateItem(i);
  }
  // Entries past the records that still exist go; those that came in at the end are made.
  Integer available = GetAvailableRecordCount();
  length = std::min(length, available);
  while (Count() > length) {
    delete items_.back();
    items_.pop_back();
  }
  for (Integer i = Count(); i < length && FetchRecordViewInfo(i); ++i) CalculateItem(i);
  for (Integer i = 0; i < Count(); ++i)
    if (!items_[size_t(i)]->Calculated()) CalculateItem(i);
  CalculateVisibleCount();
}

void TcxCustomGridRecordsViewInfo::OffsetBounds(Integer dx, Integer dy) {
  Bounds = ShiftedRect(Bounds, dx, dy);
  ContentBounds = ShiftedRect(ContentBounds, dx, dy);
}

void TcxCustomGridRecordsViewInfo::Paint(TcxCanvas* canvas) {
  TClass cls = GetPainterClass();
  auto it = RecordsPainterFactories().find(cls);
  std::unique_ptr<TcxCustomGridRecordsPainter> painter(
      it != RecordsPainterFactories().end() ? it->second(canvas, this) : new TcxCustomGridRecordsPainter(canvas, this));
  painter->Paint();
}

void TcxCustomGridRecordsPainter::Paint() {
  for (Integer i = 0; i < viewInfo_->Count(); ++i) {
    TcxCustomGridRecordViewInfo* item = viewInfo_->Items(i);
    if (item->Calculated() && i < viewInfo_->VisibleCount) item->Paint(canvas_);
  }
}

// ---- navigator site ----------------------------------------------------------------------------------

TcxCustomGridTableViewInfo* TcxNavigatorSiteViewInfo::TableViewInfo() const {
  return static_cast<TcxCustomGridTableViewInfo*>(GridViewInfo());
}

TcxNavigatorViewInfo* TcxNavigatorSiteViewInfo::NavigatorViewInfo() const { return TableViewInfo()->NavigatorViewInfo(); }

TcxCustomGridCellPainterClass TcxNavigatorSiteViewInfo::GetPainterClass() {
  return TcxNavigatorSitePainter::StaticClass();
}

bool TcxNavigatorSiteViewInfo::IsSiteVisible() { return TableViewInfo()->TableView()->TableOptionsView()->Navigator(); }

Integer TcxNavigatorSiteViewInfo::CalculateWidth() {
  Integer width = 0, height = 0;
  NavigatorViewInfo()->GetNeededSize(width, height);
  return TableViewInfo()->GetNavigatorOffset() + width;
}

void TcxNavigatorSiteViewInfo::GetViewParams(TcxStyleParams& params) {
  params = TcxStyleParams();
  params.Color = clBtnFace;
}

bool TcxNavigatorSiteViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  const bool result = TcxCustomGridViewCellViewInfo::MouseDown(hitTest, button, shift);
  if (button == mbLeft && hitTest) NavigatorViewInfo()->MouseDown(hitTest->Pos().X, hitTest->Pos().Y);
  return result;
}

bool TcxNavigatorSiteViewInfo::MouseMove(TcxCustomGridHitTest* hitTest, TShiftState shift) {
  const bool result = TcxCustomGridViewCellViewInfo::MouseMove(hitTest, shift);
  if (hitTest) NavigatorViewInfo()->MouseMove(hitTest->Pos().X, hitTest->Pos().Y);
  return result;
}

bool TcxNavigatorSiteViewInfo::MouseUp(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  const bool result = TcxCustomGridViewCellViewInfo::MouseUp(hitTest, button, shift);
  if (button == mbLeft) {
    const TPoint p = hitTest ? hitTest->Pos() : TPoint(-1, -1);
    NavigatorViewInfo()->MouseUp(p.X, p.Y);
  }
  return result;
}

void TcxNavigatorSiteViewInfo::MouseLeave() {
  TcxCustomGridViewCellViewInfo::MouseLeave();
  NavigatorViewInfo()->MouseMove(-1, -1);
}

void TcxNavigatorSitePainter::Paint() {
  auto* site = static_cast<TcxNavigatorSiteViewInfo*>(ViewInfo());
  TcxNavigatorViewInfo* navigator = site->NavigatorViewInfo();
  site->EnsureTextAndParams();
  navigator->Paint(Canvas());
  // The navigator excluded its own rectangle: what is left of the site is the gap before the
  // scroll bar.
  Canvas()->FillRectColor(site->Bounds, site->Params.Color);
}

// ---- view info -------------------------------------------------------------------------------------

TcxCustomGridTableViewInfo::TcxCustomGridTableViewInfo(TcxCustomGridView* gridView) : TcxCustomGridViewInfo(gridView) {}

TcxCustomGridTableViewInfo::~TcxCustomGridTableViewInfo() {
  DestroyPartViewInfos(false);
  delete navigatorViewInfo_;
}

TcxNavigatorViewInfo* TcxCustomGridTableViewInfo::NavigatorViewInfo() {
  if (!navigatorViewInfo_) navigatorViewInfo_ = CreateNavigatorViewInfo();
  return navigatorViewInfo_;
}

void TcxCustomGridTableViewInfo::NavigatorChanged(Integer changeType) { GridView()->Changed(changeType == 0 ? 0 : 1); }

TRect TcxCustomGridTableViewInfo::GetNavigatorBounds() {
  TRect r;
  GetNavigatorBounds(r);
  return r;
}

TcxCustomNavigatorButtons* TcxCustomGridTableViewInfo::GetNavigatorButtons() { return TableView()->NavigatorButtons(); }

TCanvas* TcxCustomGridTableViewInfo::GetNavigatorCanvas() {
  TcxCanvas* canvas = GetCanvas();
  return canvas ? canvas->Canvas() : nullptr;
}

TWinControl* TcxCustomGridTableViewInfo::GetNavigatorControl() { return SiteWindow(); }

TcxLookAndFeel* TcxCustomGridTableViewInfo::GetNavigatorLookAndFeel() {
  if (TcxCustomGrid* grid = GridView()->Control()) return grid->LookAndFeel();
  return SiteWindow() ? SiteWindow()->LookAndFeel() : nullptr;
}

TComponent* TcxCustomGridTableViewInfo::GetNavigatorOwner() { return GridView(); }

bool TcxCustomGridTableViewInfo::GetNavigatorShowHint() { return TableView()->TableOptionsBehavior()->NavigatorHints(); }

void TcxCustomGridTableViewInfo::NavigatorStateChanged() {
  if (navigatorViewInfo_) navigatorViewInfo_->RefreshEnabledStates();
}

void TcxCustomGridTableViewInfo::RefreshNavigator() {
  if (GridView()->IsPattern() || !GridView()->Control()) return;
  const Integer oldWidth = NavigatorSize.cx;
  NavigatorViewInfo()->MakeIsDirty();
  const Integer width = IsNavigatorSiteShown() ? navigatorSiteViewInfo_->CalculateWidth() : 0;
  if (width == oldWidth)
    GridView()->QueueFullRepaint();
  else
    GridView()->QueueLayoutChange();
}

TcxCustomGridTableView* TcxCustomGridTableViewInfo::TableView() const {
  return static_cast<TcxCustomGridTableView*>(GridView());
}

TcxCustomGridTableController* TcxCustomGridTableViewInfo::TableController() const {
  return dynamic_cast<TcxCustomGridTableController*>(GridView()->Controller());
}

void TcxCustomGridTableViewInfo::CreatePartViewInfos() {
  TcxCustomGridViewInfo::CreatePartViewInfos();
  filterViewInfo_ = static_cast<TcxGridFilterViewInfo*>(GetFilterViewInfoClass()->Create(this));
  filterViewInfo_->Register();
  CreateViewParts();
  navigatorSiteViewInfo_ = static_cast<TcxNavigatorSiteViewInfo*>(GetNavigatorSiteViewInfoClass()->Create(this));
  recordsViewInfo_ = static_cast<TcxCustomGridRecordsViewInfo*>(GetRecordsViewInfoClass()->Create(this));
}

void TcxCustomGridTableViewInfo::DestroyPartViewInfos(bool isRecreating) {
  delete recordsViewInfo_;
  recordsViewInfo_ = nullptr;
  delete navigatorSiteViewInfo_;
  navigatorSiteViewInfo_ = nullptr;
  DestroyViewParts();
  delete filterViewInfo_;
  filterViewInfo_ = nullptr;
  TcxCustomGridViewInfo::DestroyPartViewInfos(isRecreating);
}

void TcxCustomGridTableViewInfo::RemovePart(TcxCustomGridPartViewInfo* part) {
  parts_.erase(std::remove(parts_.begin(), parts_.end(), part), parts_.end());
}

Integer TcxCustomGridTableViewInfo::IndexOfPart(TcxCustomGridPartViewInfo* part) const {
  auto it = std::find(parts_.begin(), parts_.end(), part);
  return it == parts_.end() ? -1 : Integer(it - parts_.begin());
}

void TcxCustomGridTableViewInfo::MovePart(TcxCustomGridPartViewInfo* part, Integer index) {
  Integer from = IndexOfPart(part);
  if (from < 0) return;
  parts_.erase(parts_.begin() + from);
  index = std::clamp(index, 0, Integer(parts_.size()));
  parts_.insert(parts_.begin() + index, part);
}

TRect TcxCustomGridTableViewInfo::GetClientBounds() {
  TRect r = TcxCustomGridViewInfo::GetClientBounds();
  for (TcxCustomGridPartViewInfo* part : parts_) {
    if (part->GetPartAlignment() == gpaTop)
      r.Top += part->Height();
    else
      r.Bottom -= part->Height();
  }
  return r;
}

void TcxCustomGridTableViewInfo::GetPartBounds(TcxCustomGridPartViewInfo* part, TRect& r) {
  r = GetClientBounds();
  if (part->IsFullWidth()) {
    TRect whole = TcxCustomGridViewInfo::GetClientBounds();
    r.Left = whole.Left;
    r.Right = whole.Right;
  } else {
    r.Right = r.Left + part->CalculateWidth();
  }
  for (Integer i = PartCount() - 1; i >= 0; --i) {
    TcxCustomGridPartViewInfo* p = parts_[size_t(i)];
    if (p->GetPartAlignment() == gpaTop)
      r.Top -= p->Height();
    else
      r.Bottom += p->Height();
    if (p == part) break;
  }
  if (part->GetPartAlignment() == gpaTop)
    r.Bottom = r.Top + part->Height();
  else
    r.Top = r.Bottom - part->Height();
}

bool TcxCustomGridTableViewInfo::IsNavigatorSiteShown() {
  return TableView()->TableOptionsView()->Navigator() && navigatorSiteViewInfo_ &&
         navigatorSiteViewInfo_->IsSiteVisible();
}

void TcxCustomGridTableViewInfo::Calculate() {
  if (!recordsViewInfo_) CreatePartViewInfos();
  // Parts first take their heights, then their places (which depend on all heights).
  std::vector<TcxCustomGridPartViewInfo*> parts = parts_;
  for (TcxCustomGridPartViewInfo* part : parts) part->CalculateOrHide(part->IsPartVisible());
  for (TcxCustomGridPartViewInfo* part : parts)
    if (part->IsPartVisible()) part->CalculateShown();
  recordsViewInfo_->CalculateLayout();
  TcxCustomGridViewInfo::Calculate();
  if (IsNavigatorSiteShown()) {
    // The site moves its horizontal scroll bar right by the navigator's width.
    NavigatorSize.cx = navigatorSiteViewInfo_->CalculateWidth();
    TRect r;
    GetNavigatorSiteBounds(r);
    NavigatorSize.cy = r.Height();
    navigatorSiteViewInfo_->CalculateInRect(r);
    NavigatorViewInfo()->MakeIsDirty();
  } else {
    NavigatorSize = TSize(0, 0);
    navigatorSiteViewInfo_->Visible = false;
  }
  if (!IsInternal() && TableController() && GridView()->DataController()->IsGridMode())
    TableController()->CheckGridModeSync();
}

void TcxCustomGridTableViewInfo::CompleteCalculation() {
  TcxCustomGridViewInfo::CompleteCalculation();
  if (!IsInternal() && TableController()) TableController()->CheckEditNeeded = true;
}

void TcxCustomGridTableViewInfo::ControlFocusChanged() {
  TcxCustomGridViewInfo::ControlFocusChanged();
  if (recordsViewInfo_) recordsViewInfo_->ControlFocusChanged();
}

void TcxCustomGridTableViewInfo::VisibilityChanged(bool visible) {
  if (recordsViewInfo_) recordsViewInfo_->SiteVisibilityChanged(visible);
  TcxCustomGridViewInfo::VisibilityChanged(visible);
}

TcxCustomGridHitTest* TcxCustomGridTableViewInfo::GetContentHitTest(const TPoint& p) {
  TRect whole = TcxCustomGridViewInfo::GetClientBounds();
  if (whole.Contains(p)) {
    for (TcxCustomGridPartViewInfo* part : std::vector<TcxCustomGridPartViewInfo*>(parts_))
      if (part->Visible)
        if (TcxCustomGridHitTest* hitTest = part->GetHitTest(p)) return hitTest;
    if (recordsViewInfo_)
      if (TcxCustomGridHitTest* hitTest = recordsViewInfo_->GetHitTest(p)) return hitTest;
  } else if (IsNavigatorSiteShown()) {
    if (TcxCustomGridHitTest* hitTest = navigatorSiteViewInfo_->GetHitTest(p)) return hitTest;
  }
  return TcxCustomGridViewInfo::GetContentHitTest(p);
}

Integer TcxCustomGridTableViewInfo::GetNavigatorOffset() { return TableView()->TableOptionsView()->NavigatorOffset(); }

void TcxCustomGridTableViewInfo::GetNavigatorSiteBounds(TRect& r) {
  r = TRect();
  if (TcxGridSite* site = SiteWindow()) site->HScrollBarRect(r);
  Integer width = navigatorSiteViewInfo_ ? navigatorSiteViewInfo_->CalculateWidth() : 0;
  r.Right = r.Left;
  r.Left -= width;
}

void TcxCustomGridTableViewInfo::GetNavigatorBounds(TRect& r) {
  GetNavigatorSiteBounds(r);
  r.Right -= GetNavigatorOffset();
}

void TcxCustomGridTableViewInfo::GetNoDataTextBounds(TRect& r) {
  r = ClientBounds();
  if (recordsViewInfo_ && !recordsViewInfo_->ContentBounds.IsEmpty()) {
    TRect content = recordsViewInfo_->ContentBounds;
    r = TRect(std::max(r.Left, content.Left), std::max(r.Top, content.Top), std::min(r.Right, content.Right),
              std::min(r.Bottom, content.Bottom));
  }
}

void TcxCustomGridTableViewInfo::GetNoDataTextParams(TcxStyleParams& params) {
  if (auto* styles = dynamic_cast<TcxCustomGridViewStyles*>(GridView()->Styles())) styles->GetBackgroundParams(params);
}

bool TcxCustomGridTableViewInfo::IsRecordsEmpty() { return !recordsViewInfo_ || recordsViewInfo_->IsEmpty(); }

Integer TcxCustomGridTableViewInfo::GetNonRecordsHeight(bool withScrollBar) {
  Integer h = 0;
  for (TcxCustomGridPartViewInfo* part : parts_) h += part->Height();
  TcxGridSite* site = SiteWindow();
  if (withScrollBar && site && site->IsHScrollBarShown()) h += GetSystemMetrics(SM_CYHSCROLL);
  return h;
}

void TcxCustomGridTableViewInfo::AfterOffset() {
  if (recordsViewInfo_) recordsViewInfo_->RefreshRows();
}

void TcxCustomGridTableViewInfo::BeforeOffset() {
  if (recordsViewInfo_) recordsViewInfo_->BeforeOffset();
}

void TcxCustomGridTableViewInfo::OffsetRecords(Integer count) {
  if (recordsViewInfo_) recordsViewInfo_->OffsetRecords(count);
}

void TcxCustomGridTableViewInfo::OffsetHorizontally(Integer dx, Integer dy) {
  if (recordsViewInfo_) recordsViewInfo_->OffsetBounds(dx, dy);
}

bool TcxCustomGridTableViewInfo::CanOffsetRecords(Integer count) {
  return recordsViewInfo_ && recordsViewInfo_->CanOffsetRecords(count);
}

void TcxCustomGridTableViewInfo::OffsetView(Integer records, Integer dx, Integer dy) {
  if (!CanOffsetView(records, dx, dy)) {
    Recalculate();
    return;
  }
  TcxCustomGridTableController* controller = TableController();
  if (controller) controller->ResetEditPlacement();
  BeforeOffset();
  if (records != 0)
    OffsetRecords(records);
  else
    OffsetHorizontally(dx, dy);
  AfterOffset();
  if (controller) controller->LayoutChanged();
}

// ---- painter ------------------------------------------------------------------------------------------

void TcxCustomGridTablePainter::DrawNoDataText() {
  TcxCustomGridTableViewInfo* info = TableViewInfo();
  if (!info->IsRecordsEmpty()) return;
  TcxStyleParams params;
  info->GetNoDataTextParams(params);
  TRect r;
  info->GetNoDataTextBounds(r);
  TcxCanvas* canvas = Canvas();
  if (params.Font) canvas->ApplyFont(params.Font);
  canvas->CurrentFont()->SetColor(params.TextColor);
  canvas->CurrentBrush()->SetStyle(bsClear);
  canvas->OutputText(GridNoDataText(), r, ctfHCenter | ctfVCenter | ctfWordBreak);
  canvas->CurrentBrush()->SetStyle(bsSolid);
}

void TcxCustomGridTablePainter::DrawFilterBar() {
  if (TcxGridFilterViewInfo* filter = TableViewInfo()->FilterViewInfo())
    if (filter->Visible) filter->Paint(Canvas());
}

void TcxCustomGridTablePainter::DrawNavigator() {
  // The site's painting is clipped to its content, which ends above the scroll bar row where
  // the navigator lives: its rectangle joins the clip while it paints.
  TcxNavigatorSiteViewInfo* site = TableViewInfo()->NavigatorSiteViewInfo();
  TcxCanvas* canvas = Canvas();
  canvas->PushDeviceState();
  Finally restore{[canvas] { canvas->PopDeviceState(); }};
  canvas->ApplyClipRegion(new TcxRegion(site->Bounds), roAdd);
  site->Paint(canvas);
}

void TcxCustomGridTablePainter::DrawRecords() {
  if (TcxCustomGridRecordsViewInfo* records = TableViewInfo()->RecordsViewInfo()) records->Paint(Canvas());
}

void TcxCustomGridTablePainter::DrawBackground() {
  TcxCustomGridPainter::DrawBackground();
  DrawNoDataText();
}

void TcxCustomGridTablePainter::PaintViewContent() {
  if (TableViewInfo()->IsNavigatorSiteShown()) DrawNavigator();
  DrawFilterBar();
  DrawRecords();
}

bool TcxCustomGridTablePainter::CanScrollWindow() {
  TcxCustomGridTableViewInfo* info = TableViewInfo();
  TcxGridSite* site = Site();
  return site && site->HandleAllocated() && !info->IsRecordsEmpty();
}

void TcxCustomGridTablePainter::ScrollWindowArea(Integer dx, Integer dy, const TRect& area) {
  if (!CanScrollWindow()) {
    Invalidate();
    return;
  }
  TcxCustomGridController* controller = Controller();
  if (controller) controller->BeforePaint();
  {
    Finally after{[&] {
      if (controller) controller->AfterPaint();
    }};
    Site()->ScrollClientArea(dx, dy, area);
  }
}
