// Cells of records: the table cell and the data cell that measures, paints and hot-tracks
// through its item's editor view info and decides when the in-place editor opens.
#include <algorithm>

#include "editors/cxEdit.h"
#include "editors/cxTextEdit.h"
#include "foundation/cxContainer.h"
#include "data/cxCustomDataInternal.h"
#include "grid/cxGrid.h"
#include "rtl/SysUtils.h"
#include "grid/cxGridCustomTableController.h"
#include "grid/cxGridCustomTableViewInfo.h"

using cxdata_internal::Finally;

KORVAN_IMPLEMENT_CLASS(TcxGridTableCellViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridTableDataCellViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridTableDataCellPainter)

namespace {
struct TDataCellPainterRegistration {
  TDataCellPainterRegistration() {
    RegisterGridCellPainterFactory(TcxGridTableDataCellPainter::StaticClass(),
                                   [](TcxCanvas* c, TcxCustomGridCellViewInfo* v) -> TcxCustomGridCellPainter* {
                                     return new TcxGridTableDataCellPainter(c, v);
                                   });
  }
} dataCellPainterRegistration;

// The canvas a cell measures with: the site's, or the screen's while the site is not placed
// yet (it has no window to make).
TcxCanvas* MeasureCanvas(TcxCustomGridCellViewInfo* cell) {
  TcxControl* control = cell->GetControl();
  if (!control || !cell->GetCanvas()) return nullptr;
  return control->HandleAllocated() || control->Parent() ? cell->GetCanvas() : SharedScreenCanvas();
}

// Whether a cell (compared by address only: it may be gone) is still one of the layout's.
bool CellStillShown(TcxCustomGridTableViewInfo* info, TcxCustomGridTableItem* item, const void* cell) {
  TcxCustomGridRecordsViewInfo* records = info->RecordsViewInfo();
  if (!records) return false;
  for (Integer i = 0; i < records->Count(); ++i)
    if (records->Items(i)->GetCellViewInfoByItem(item) == cell) return true;
  return false;
}

// Watches a cell through a press: the view info's pressed cell is cleared when the cell goes.
TcxCustomGridTableViewInfo* TableViewInfoOf(TcxCustomGridCellViewInfo* cell) {
  auto* view = dynamic_cast<TcxCustomGridViewCellViewInfo*>(cell);
  return view ? dynamic_cast<TcxCustomGridTableViewInfo*>(view->GridViewInfo()) : nullptr;
}
}  // namespace

// ---- table cell ------------------------------------------------------------------------------

TcxGridTableCellViewInfo::TcxGridTableCellViewInfo(TcxCustomGridRecordViewInfo* recordViewInfo)
    : TcxCustomGridViewCellViewInfo(recordViewInfo->GridViewInfo()), recordViewInfo_(recordViewInfo) {}

TcxGridTableCellViewInfo::~TcxGridTableCellViewInfo() {
  if (TcxCustomGridTableViewInfo* info = TableViewInfoOf(this))
    if (info->PressedCell == this) info->PressedCell = nullptr;
}

TcxCustomGridRecord* TcxGridTableCellViewInfo::GridRecord() const { return recordViewInfo_->GridRecord(); }

TcxCustomGridTableView* TcxGridTableCellViewInfo::TableView() const {
  return static_cast<TcxCustomGridTableView*>(GridView());
}

TcxCustomGridTableController* TcxGridTableCellViewInfo::TableController() const {
  return recordViewInfo_->TableController();
}

bool TcxGridTableCellViewInfo::CalculateCellSelected() {
  return GridRecord() && TableView()->IsCellPaintedSelected(GridRecord(), nullptr, this);
}

// Not cached: a focus or selection change repaints the rows without laying them out again.
bool TcxGridTableCellViewInfo::Selected() { return CalculateCellSelected(); }

void TcxGridTableCellViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  TcxCustomGridViewCellViewInfo::InitHitTest(hitTest);
  if (auto* h = dynamic_cast<TcxGridRecordHitTest*>(hitTest)) h->GridRecord = GridRecord();
}

bool TcxGridTableCellViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  TcxCustomGridTableViewInfo* info = TableViewInfoOf(this);
  TcxGridViewWatch watch(GridView());
  info->PressedCell = this;
  Finally clear{[&] {
    if (watch.Alive() && info->PressedCell == this) info->PressedCell = nullptr;
  }};
  bool result = recordViewInfo_->MouseDown(hitTest, button, shift);
  if (result && watch.Alive() && info->PressedCell == this)
    TcxCustomGridViewCellViewInfo::MouseDown(hitTest, button, shift);
  return result;
}

// ---- data cell -------------------------------------------------------------------------------

TcxGridTableDataCellViewInfo::TcxGridTableDataCellViewInfo(TcxCustomGridRecordViewInfo* recordViewInfo,
                                                           TcxCustomGridTableItem* item)
    : TcxGridTableCellViewInfo(recordViewInfo), item_(item) {
  properties_ = item_->GetPropertiesForRecord(GridRecord());
  if (properties_) editViewInfo_.reset(properties_->CreateViewInfo());
  editStyle_.reset(new TcxEditStyle(nullptr, true));
}

TcxGridTableDataCellViewInfo::~TcxGridTableDataCellViewInfo() {
  if (TcxCustomGridTableController* controller = TableController())
    if (controller->PressedDataCell == this) controller->PressedDataCell = nullptr;
}

bool TcxGridTableDataCellViewInfo::CalculateCellSelected() {
  return GridRecord() && TableView()->IsCellPaintedSelected(GridRecord(), item_, this);
}

bool TcxGridTableDataCellViewInfo::IsEditing() {
  TcxCustomGridTableController* controller = TableController();
  return controller && controller->EditingController()->EditingItem() == item_ && GridRecord() &&
         GridRecord()->Focused();
}

bool TcxGridTableDataCellViewInfo::IsFocusedCell() {
  TcxCustomGridTableController* controller = TableController();
  TcxCustomGridRecord* record = GridRecord();
  if (!controller || !record || controller->FocusedItem() != item_ || !record->Focused()) return false;
  TcxCustomGrid* grid = TableView()->Control();
  return !grid || grid->FocusedView() == TableView();
}

bool TcxGridTableDataCellViewInfo::ShowsFocusRect() {
  return !TableView()->TableOptionsSelection()->InvertSelect() && !IsEditing();
}

bool TcxGridTableDataCellViewInfo::IsAutoHeight() { return RecordViewInfo()->HasVariableHeight(); }

Integer TcxGridTableDataCellViewInfo::GetMaxLineCount() { return TableView()->TableOptionsView()->CellTextMaxLineCount(); }

void TcxGridTableDataCellViewInfo::GetCellValue(Variant& value) {
  value = GridRecord() ? GridRecord()->GetValue(item_->Index()) : Variant();
}

void TcxGridTableDataCellViewInfo::GetCellDisplayValue(Variant& value) {
  if (properties_ && properties_->IsDisplayTextKind() && properties_->UsesFieldDisplayText(false) && GridRecord())
    value = Variant(GridRecord()->GetDisplayText(item_->Index()));
  else
    GetCellValue(value);
}

bool TcxGridTableDataCellViewInfo::IsIncSearchingCell() {
  TcxCustomGridTableViewInfo* info = TableViewInfoOf(this);
  return info && info->RecordsViewInfo() && info->RecordsViewInfo()->IncSearchingCell() == this;
}

void TcxGridTableDataCellViewInfo::GetEditBounds(TRect& r) {
  GetEditAreaBounds(r);
  r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  if (item_->CanScroll()) {
    TRect area;
    static_cast<TcxCustomGridTableViewInfo*>(GridViewInfo())->GetCellVisibilityArea(area);
    r.Right = std::min(r.Right, area.Right);
    r.Bottom = std::min(r.Bottom, area.Bottom);
  }
}

bool TcxGridTableDataCellViewInfo::CanShowEditorOnMouseDown(TMouseButton button) {
  return CanShowEditor() && ((button == mbLeft && IsHotTrackable()) ||
                             TableView()->TableOptionsBehavior()->AlwaysShowEditor());
}

bool TcxGridTableDataCellViewInfo::IsHotTrackable() {
  if (!GridRecord()) return false;
  if (item_->ShowButtons(GridRecord()->Focused())) return true;
  if (!properties_ || !(properties_->GetSupportedOperations() & esoHotTrack)) return false;
  return TableView()->TableOptionsBehavior()->ImmediateEditor() || IsFocusedCell();
}

void TcxGridTableDataCellViewInfo::InitCellStyle() {
  TcxStyleParams params = Params;
  editStyle_->SetColor(params.Color);
  if (params.Font) editStyle_->SetFont(params.Font);
  editStyle_->SetTextColor(params.TextColor);
}

void TcxGridTableDataCellViewInfo::GetViewParams(TcxStyleParams& params) {
  if (auto* styles = TableView()->TableStyles()) {
    if (Selected()) {
      TcxGridCellPos pos(GridRecord(), item_);
      styles->ResolveViewParams(TableView()->IsSelectionActive(GridRecord()) ? TcxCustomGridTableViewStyles::vsSelection
                                                                             : TcxCustomGridTableViewStyles::vsInactive,
                                &pos, nullptr, params);
    } else {
      styles->GetCellContentParams(GridRecord(), item_, params);
    }
  }
}

void TcxGridTableDataCellViewInfo::CalculateEditViewInfo(TcxCustomEditViewInfo* viewInfo, const TPoint& mousePos) {
  if (!viewInfo || !properties_) return;
  // Items of the same field kind share default properties; asking the item for them again
  // gives them this item's field defaults (alignment, formats), which the last item asked set.
  item_->GetPropertiesForRecord(GridRecord());
  InitCellStyle();
  std::unique_ptr<TcxCustomEditViewData> data(properties_->CreateViewData(editStyle_.get(), true));
  bool focusedRecord = GridRecord() && GridRecord()->Focused();
  data->Focused = IsFocusedCell();
  data->HideDisplayText = false;
  data->InplaceEditContentOffsets = TRect();
  TRect margins;
  GetEditorContentMargins(margins);
  data->ContentMetrics.ContentOffsets = margins;
  // A cell whose buttons are hidden paints as text only.
  if (item_->ShowButtons(focusedRecord))
    data->MaxLineCount = GetMaxLineCount();
  else
    data->ButtonVisibleCount = 0;
  if (IsIncSearchingCell() && TableController()) {
    data->HighlightStart = 0;
    data->HighlightLength = CharCount(TableController()->GetIncSearchText());
    TcxStyleParams search;
    TableView()->TableStyles()->ResolveViewParams(TcxCustomGridTableViewStyles::vsIncSearch, nullptr, nullptr, search);
    data->OverrideColor1 = search.TextColor;
    data->OverrideColor2 = search.Color;
  }
  Variant value;
  // A focused cell converts its value as a focused editor does: where that editor takes another
  // kind of value (a lookup field's key instead of its text), the cell gives that value.
  if (data->Focused && properties_->EditValueSource(true) != properties_->EditValueSource(false))
    value = item_->GetEditValue(GridRecord());
  else
    GetCellDisplayValue(value);
  TcxCanvas* canvas = MeasureCanvas(this);
  if (!canvas) return;
  data->FillDisplayText(canvas, value, viewInfo);
  data->CalculateViewInfo(canvas, ContentBounds(), mousePos, 0, TShiftState(), viewInfo, false);
  viewInfo->Font = Params.Font;
  viewInfo->TextColor = Params.TextColor;
}

void TcxGridTableDataCellViewInfo::CalculateAt(Integer left, Integer top, Integer width, Integer height) {
  TcxGridTableCellViewInfo::CalculateAt(left, top, width, height);
  CalculateEditViewInfo(editViewInfo_.get(), GridViewInfo()->MousePos());
  auto* text = dynamic_cast<TcxCustomTextEditViewInfo*>(editViewInfo_.get());
  Text = text ? text->Text : String();
  if (!GridViewInfo()->IsInternal() && IsEditing() && TableController())
    TableController()->EditingController()->PlaceEdit();
}

Integer TcxGridTableDataCellViewInfo::CalculateHeight() {
  EnsureTextAndParams();
  Integer height = 0;
  TcxCanvas* canvas = MeasureCanvas(this);
  if (item_->CanAutoHeight() && properties_ && canvas) {
    InitCellStyle();
    std::unique_ptr<TcxCustomEditViewData> data(properties_->CreateViewData(editStyle_.get(), true));
    TcxEditSizeProperties request;
    request.Width = std::max(0, Bounds.Width() > 0 ? Bounds.Width() - 2 : item_->Width() - 2);
    request.MaxLineCount = GetMaxLineCount();
    Variant value;
    GetCellDisplayValue(value);
    TSize size(0, 0);
    MeasureEditValueExtent(data.get(), canvas, value, request, nullptr, size);
    if (size.cy > 0 || AllowsZeroHeight()) height = size.cy > 0 ? size.cy + 2 : 0;
    else height = GetTextCellHeight(GridViewInfo(), Params.Font);
  } else {
    height = GetTextCellHeight(GridViewInfo(), Params.Font);
  }
  if (TableView()->OnGetCellHeight) TableView()->OnGetCellHeight(TableView(), GridRecord(), item_, this, height);
  return height;
}

String TcxGridTableDataCellViewInfo::GetText() { return Text; }

void TcxGridTableDataCellViewInfo::ResetCalculated() { TcxGridTableCellViewInfo::ResetCalculated(); }

void TcxGridTableDataCellViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxGridTableCellViewInfo::OffsetBounds(dx, dy);
  if (editViewInfo_) editViewInfo_->TranslateBy(dx, dy);
}

void TcxGridTableDataCellViewInfo::UpdateHotTrack(const TPoint& p) {
  if (!editViewInfo_ || !properties_) return;
  std::unique_ptr<TcxCustomEditViewInfo> fresh(properties_->CreateViewInfo());
  CalculateEditViewInfo(fresh.get(), p);
  std::unique_ptr<TcxRegion> changed(fresh->CreateChangedRegion(editViewInfo_.get()));
  editViewInfo_.swap(fresh);
  if (changed && !changed->IsEmpty()) Invalidate();
}

bool TcxGridTableDataCellViewInfo::MouseMove(TcxCustomGridHitTest* hitTest, TShiftState shift) {
  bool result = TcxGridTableCellViewInfo::MouseMove(hitTest, shift);
  if (IsHotTrackable() && hitTest) UpdateHotTrack(hitTest->Pos());
  return result;
}

void TcxGridTableDataCellViewInfo::MouseLeave() {
  TcxGridTableCellViewInfo::MouseLeave();
  if (IsHotTrackable()) UpdateHotTrack(TPoint(-1, -1));
}

bool TcxGridTableDataCellViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  TcxCustomGridTableController* controller = TableController();
  TcxCustomGridTableView* view = TableView();
  TcxCustomGridTableViewInfo* info = TableViewInfoOf(this);
  const bool wasFocused = IsFocusedCell();
  wasFocusedBeforeClick_ = wasFocused;
  // A new press (the second of a double click too) ends a pending click-to-edit.
  controller->EditingController()->StopEditShowingTimer();
  TcxCustomGridTableItem* item = item_;
  TcxGridViewWatch watch(view);
  controller->AllowCheckEdit = false;
  controller->SynchronizingOrClicking = true;
  bool itemFocused = false;
  Finally done{[&] {
    if (!watch.Alive()) return;
    controller->SynchronizingOrClicking = false;
    controller->AllowCheckEdit = true;
    if (!itemFocused) controller->CheckEditNeeded = true;
  }};
  if (shift.Contains(ssDouble) && view->OnCellDblClick) {
    bool handled = false;
    info->PressedCell = this;
    view->OnCellDblClick(view, this, button, shift, handled);
    bool gone = !watch.Alive() || info->PressedCell != this;
    if (!gone) info->PressedCell = nullptr;
    if (handled || gone) return true;
  }
  bool result = TcxGridTableCellViewInfo::MouseDown(hitTest, button, shift);
  if (!watch.Alive()) return result;
  // Focusing may have rebuilt the layout: the press goes on with the item's cell as shown now
  // (this cell when it is still there, compared by address only).
  TcxGridTableDataCellViewInfo* cell = CellStillShown(info, item, this) ? this : nullptr;
  auto currentCell = [&]() -> TcxGridTableDataCellViewInfo* {
    if (cell) return cell;
    TcxCustomGridRecord* record = controller->FocusedRecord();
    return record && record->ViewInfo ? record->ViewInfo->GetCellViewInfoByItem(item) : nullptr;
  };
  if (result && !controller->EditingController()->IsErrorOnEditExit()) {
    item->SetFocused(true);
    if (!watch.Alive()) return result;
    itemFocused = controller->FocusedItem() == item;
    if (itemFocused && button != mbMiddle && !shift.Contains(ssShift) && !shift.Contains(ssCtrl)) {
      cell = currentCell();
      if (cell && cell->CanShowEditorOnMouseDown(button)) {
        TPoint p = hitTest ? hitTest->Pos() : TPoint();
        controller->EditingController()->ShowEditByMouse(item, shift, p.X, p.Y);
        if (!watch.Alive()) return result;
      } else {
        controller->ShowEditOnMouseUp = true;
      }
    }
  }
  cell = CellStillShown(info, item, cell ? cell : this) ? (cell ? cell : this) : currentCell();
  if (cell && controller->EditingController()->EditingItem() != item) {
    cell->wasFocusedBeforeClick_ = wasFocused;
    controller->PressedDataCell = cell;
  }
  return result;
}

bool TcxGridTableDataCellViewInfo::MouseUp(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  bool result = TcxGridTableCellViewInfo::MouseUp(hitTest, button, shift);
  TcxCustomGridTableController* controller = TableController();
  TcxCustomGridTableView* view = TableView();
  if (controller->PressedDataCell != this) return result;
  controller->PressedDataCell = nullptr;
  bool showOnUp = controller->ShowEditOnMouseUp;
  controller->ShowEditOnMouseUp = false;
  TcxGridViewWatch watch(view);
  if (view->OnCellClick) {
    bool handled = false;
    view->OnCellClick(view, this, button, shift, handled);
    if (handled || !watch.Alive()) return true;
  }
  if (button != mbLeft || shift.Contains(ssShift) || shift.Contains(ssCtrl) || !IsFocusedCell()) return result;
  if (IsEditing()) return true;
  if (view->TableOptionsBehavior()->ImmediateEditor()) {
    if (showOnUp) {
      TPoint p = hitTest ? hitTest->Pos() : TPoint();
      controller->EditingController()->ShowEditByMouse(item_, shift, p.X, p.Y);
    }
  } else if (wasFocusedBeforeClick_ && !controller->DoubleClickInProgress()) {
    controller->EditingController()->StartEditShowingTimer(item_);
  }
  return result;
}

bool TcxGridTableDataCellViewInfo::HasCustomDraw() {
  return bool(item_->OnCustomDrawCell) || bool(TableView()->OnCustomDrawCell);
}

bool TcxGridTableDataCellViewInfo::CustomDraw(TcxCanvas* canvas) {
  bool done = TcxGridTableCellViewInfo::CustomDraw(canvas);
  if (!done && item_->OnCustomDrawCell) item_->OnCustomDrawCell(item_, canvas, this, done);
  if (!done && TableView()->OnCustomDrawCell) TableView()->OnCustomDrawCell(TableView(), canvas, this, done);
  return done;
}

bool TcxGridTableDataCellViewInfo::HasHint() { return TableView()->TableOptionsBehavior()->CellHints(); }

bool TcxGridTableDataCellViewInfo::NeedsHint(const TPoint& p, String& text, TRect& textRect, bool& isMultiLine) {
  if (UsesPlainHint() || !editViewInfo_)
    return TcxGridTableCellViewInfo::NeedsHint(p, text, textRect, isMultiLine);
  TcxCanvas* canvas = GetCanvas();
  return canvas && editViewInfo_->QueryHint(canvas, p, text, isMultiLine, textRect);
}

void TcxGridTableDataCellViewInfo::RefreshCell(bool recalculate) {
  if (Destroying()) return;
  if (recalculate) {
    // Its colours and text are taken again too (they follow the focused cell).
    const TRect bounds = Bounds;
    ResetCalculated();
    CalculateAt(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
  }
  Invalidate();
}

TcxCustomGridCellPainterClass TcxGridTableDataCellViewInfo::GetPainterClass() {
  return TcxGridTableDataCellPainter::StaticClass();
}

void TcxGridTableDataCellViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  TcxGridTableCellViewInfo::InitHitTest(hitTest);
  if (auto* h = dynamic_cast<TcxGridRecordCellHitTest*>(hitTest)) h->Item = item_;
}

// ---- data cell painter --------------------------------------------------------------------------

void TcxGridTableDataCellPainter::DrawContent() {
  TcxGridTableDataCellViewInfo* cell = DataCell();
  if (cell->HasBackgroundBitmap()) DrawBackgroundBitmap(Canvas(), cell->ContentBounds());
  if (cell->EditViewInfo())
    cell->EditViewInfo()->PaintTo(Canvas());
  else
    TcxCustomGridCellPainter::DrawContent();
}

void TcxGridTableDataCellPainter::DrawFocusRectIfNeeded() {
  TcxGridTableDataCellViewInfo* cell = DataCell();
  if (!cell->HasFocusRect() || !cell->TableView()->TableOptionsView()->FocusRect()) return;
  if (TcxCustomGridPainter* painter = cell->GridView()->Painter())
    painter->DrawFocusRect(cell->ContentBounds(), cell->TableView()->TableOptionsSelection()->HideFocusRectOnExit());
}
