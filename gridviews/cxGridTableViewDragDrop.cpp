#include "gridviews/cxGridTableViewDragDrop.h"

#include <algorithm>

#include "grid/cxGrid.h"
#include "grid/cxGridCustomizationForm.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomGridTableItemMovingObject)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnHeaderMovingObject)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridSizingObject)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridColumnSizingObject)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnHorzSizingObject)
KORVAN_IMPLEMENT_CLASS(TcxGridRowSizingObject)

// ---- moving items ------------------------------------------------------------------------------

void TcxCustomGridTableItemMovingObject::GetDestinationArea(const TPoint& p, Integer& areaKind,
                                                            std::unique_ptr<TcxGridItemContainerZone>& zone) {
  TcxCustomGridHitTest* hitTest = ViewInfo() ? ViewInfo()->GetHitTest(p) : nullptr;
  areaKind = hitTest && hitTest->GetHitTestCode() == 2 ? ickCustomizationForm : ickNone;
  zone.reset();
}

// A visible item dropped on the customization form must be removable.
void TcxCustomGridTableItemMovingObject::CheckDestinationArea(Integer& areaKind) {
  if (!IsDraggedFromCustomizationForm() && areaKind == ickCustomizationForm && !CanRemove()) areaKind = ickNone;
}

void TcxCustomGridTableItemMovingObject::StartDrag() {
  if (auto* form = dynamic_cast<TcxCustomGridTableCustomizationForm*>(Controller()->CustomizationForm()))
    form->ActivatePage(form->ItemsPage());
  TcxCustomGridMovingObject::StartDrag();
}

TcxCustomGridItemsListBox* TcxCustomGridTableItemMovingObject::GetCustomizationListBox() {
  auto* form = dynamic_cast<TcxCustomGridTableCustomizationForm*>(Controller()->CustomizationForm());
  return form ? form->ItemsListBox() : nullptr;
}

void TcxCustomGridTableItemMovingObject::MoveDrag(const TPoint& p, bool& accepted) {
  Integer area = ickNone;
  std::unique_ptr<TcxGridItemContainerZone> zone;
  GetDestinationArea(p, area, zone);
  CheckDestinationArea(area);
  if (area == ickNone) zone.reset();
  const bool same = area == DestinationAreaKind && (zone ? zone->IsSameZone(zone_.get()) : !zone_);
  if (!same) {
    // The arrows move: take image and arrows off before the destination changes under them.
    HideDragImages();
    DestinationAreaKind = area;
    zone_ = std::move(zone);
  }
  accepted = DestinationAreaKind != ickNone;
  TcxCustomGridMovingObject::MoveDrag(p, accepted);
  if (auto* controller = dynamic_cast<TcxCustomGridTableController*>(Controller())) controller->CheckDragScrollingHorz(p);
}

// ---- moving a column header ----------------------------------------------------------------------

TcxCustomGridDragAndDropObject* TcxGridColumnHeaderMovingObject::InitDrag(const TPoint& p, TcxCustomGridHitTest* hitTest) {
  TcxCustomGridTableItemMovingObject::InitDrag(p, hitTest);
  if (auto* h = dynamic_cast<TcxCustomGridColumnHitTest*>(hitTest)) {
    SourceItem = h->Column;
    SourceItemContainerKind = h->ColumnContainerKind;
  }
  return this;
}

bool TcxGridColumnHeaderMovingObject::CanRemove() {
  if (!Column()) return false;
  if (SourceItemContainerKind == ickGroupByBox) return Column()->CanGroup();
  if (SourceItemContainerKind == ickHeader)
    return Column()->CanHide() && (Controller()->Customization() || TableView()->GetOptionsCustomize()->ItemHiding());
  return false;
}

TcxCustomGridCellViewInfo* TcxGridColumnHeaderMovingObject::GetSourceItemViewInfo() {
  if (!Column() || !TableViewInfo()) return nullptr;
  if (SourceItemContainerKind == ickHeader && Column()->VisibleIndex() >= 0)
    return TableViewInfo()->HeaderViewInfo()->GetItemViewInfo(Column()->VisibleIndex());
  if (SourceItemContainerKind == ickGroupByBox && Column()->GroupIndex() >= 0)
    return TableViewInfo()->GroupByBoxViewInfo()->GetItemViewInfo(Column()->GroupIndex());
  return nullptr;
}

void TcxGridColumnHeaderMovingObject::GetDestinationArea(const TPoint& p, Integer& areaKind,
                                                         std::unique_ptr<TcxGridItemContainerZone>& zone) {
  TcxCustomGridTableItemMovingObject::GetDestinationArea(p, areaKind, zone);
  if (areaKind != ickNone || !TableViewInfo()) return;
  zone.reset(TableViewInfo()->GroupByBoxViewInfo()->GetDropZone(p));
  if (zone) {
    areaKind = ickGroupByBox;
    return;
  }
  zone.reset(TableViewInfo()->HeaderViewInfo()->GetDropZone(p));
  if (zone) areaKind = ickHeader;
}

void TcxGridColumnHeaderMovingObject::CheckDestinationArea(Integer& areaKind) {
  if (areaKind == ickGroupByBox && !Column()->CanGroup()) areaKind = ickNone;
  TcxCustomGridTableItemMovingObject::CheckDestinationArea(areaKind);
}

bool TcxGridColumnHeaderMovingObject::IsDestinationChange() {
  if (!DestinationZone()) return false;
  const Integer zone = DestinationZone()->ItemIndex;
  if (DestinationAreaKind == ickHeader && SourceItemContainerKind != ickGroupByBox)
    return zone != Column()->VisibleIndex() && zone != Column()->VisibleIndex() + 1;
  if (DestinationAreaKind == ickGroupByBox) return zone != Column()->GroupIndex() && zone != Column()->GroupIndex() + 1;
  return true;
}

bool TcxGridColumnHeaderMovingObject::IsValidDestination() {
  if (!Column()) return false;
  if (DestinationAreaKind == ickHeader) return !Column()->Visible() || IsDestinationChange();
  if (DestinationAreaKind == ickGroupByBox) return Column()->GroupIndex() < 0 || IsDestinationChange();
  return false;
}

TRect TcxGridColumnHeaderMovingObject::CalculateDestinationPoints() {
  return DestinationAreaKind == ickGroupByBox ? GetGroupByBoxArrowsBounds() : GetHeaderArrowsBounds();
}

// The header and the group-by box lie above the client bounds: the arrows may use the whole
// height of the site, and the client bounds' width.
TRect TcxGridColumnHeaderMovingObject::GetArrowAreaBounds() {
  TRect r = Site()->ClientRect();
  const TRect client = TcxCustomGridTableItemMovingObject::GetArrowAreaBounds();
  r.Left = client.Left;
  r.Right = client.Right;
  return r;
}

TRect TcxGridColumnHeaderMovingObject::GetHeaderArrowsBounds() {
  TcxGridHeaderViewInfo* header = TableViewInfo()->HeaderViewInfo();
  const Integer count = header->GetItemViewInfoCount();
  const Integer zone = DestinationZone() ? DestinationZone()->ItemIndex : count;
  if (zone < count) return header->GetItemViewInfo(zone)->Bounds;
  if (count == 0) return header->Bounds;
  TRect r = header->GetItemViewInfo(count - 1)->Bounds;
  r.Left = r.Right;
  return r;
}

TRect TcxGridColumnHeaderMovingObject::GetGroupByBoxArrowsBounds() {
  TcxGridGroupByBoxViewInfo* box = TableViewInfo()->GroupByBoxViewInfo();
  const Integer count = box->GetItemViewInfoCount();
  const Integer zone = DestinationZone() ? DestinationZone()->ItemIndex : count;
  if (count == 0) {
    TRect r = box->Bounds;
    r.Left += 6;
    r.Top += 8;
    r.Bottom -= 8;
    return r;
  }
  if (zone < count) {
    TRect r = box->GetItemViewInfo(zone)->Bounds;
    r.Left -= 2;
    // Between two cells of the staircase: half of the cell offset (half a cell) higher.
    if (zone > 0) r.Top -= box->GetItemHeight() / 2 / 2;
    return r;
  }
  TRect r = box->GetItemViewInfo(count - 1)->Bounds;
  r.Left = r.Right + 2;
  return r;
}

void TcxGridColumnHeaderMovingObject::MoveInHeader() {
  TcxGridTableView* view = TableView();
  const Integer zone = DestinationZone()->ItemIndex;
  Integer index;
  if (zone >= view->GetVisibleColumnCount()) {
    index = view->GetColumnCount() - 1;
  } else {
    index = view->GetVisibleColumn(zone)->Index();
    if (index > Column()->Index()) --index;
  }
  Column()->SetIndex(index);
}

void TcxGridColumnHeaderMovingObject::BeforeFinishDrag(bool accepted) {
  TcxCustomGridTableItemMovingObject::BeforeFinishDrag(accepted);
  TcxGridColumn* column = Column();
  if (!accepted || !column) return;
  TcxGridTableView* view = TableView();
  const Integer oldGroupIndex = column->GroupIndex();
  bool changed = false;
  TcxCustomGrid* grid = Controller()->Grid();
  grid->BeginUpdate();
  try {
    if (DestinationAreaKind == ickHeader) {
      if (IsValidDestination()) {
        MoveInHeader();
        if (SourceItemContainerKind == ickGroupByBox && column->CanGroup()) column->SetGroupIndex(-1);
        column->SetVisible(true);
        changed = true;
      }
    } else if (DestinationAreaKind == ickGroupByBox) {
      if (IsValidDestination()) {
        Integer index = DestinationZone()->ItemIndex;
        if (column->GroupIndex() >= 0 && column->GroupIndex() < index) --index;
        changed = column->ChangeGroupIndex(index, true);
      }
    } else if (CanRemove()) {
      if (SourceItemContainerKind == ickHeader) {
        if (column->CanHide()) {
          column->SetVisible(false);
          changed = true;
        }
      } else if (SourceItemContainerKind == ickGroupByBox) {
        const bool keepHidden = DestinationAreaKind == ickCustomizationForm ||
                                (view->GetOptionsCustomize()->ItemHiding() && column->CanHide()) ||
                                Controller()->Customization();
        column->ChangeGroupIndex(-1, !keepHidden);
      }
    }
  } catch (...) {
    grid->EndUpdate();
    throw;
  }
  grid->EndUpdate();
  if (column->GroupIndex() != oldGroupIndex) view->GetController()->MakeFocusedRecordVisible();
  if (changed) view->DoColumnPosChanged(column);
}

// ---- sizing -----------------------------------------------------------------------------------------

TcxCustomGridDragAndDropObject* TcxCustomGridSizingObject::InitDrag(const TPoint& p, TcxCustomGridHitTest* hitTest) {
  TcxCustomGridDragAndDropObject::InitDrag(p, hitTest);
  mouseX_ = p.X;
  mouseY_ = p.Y;
  return this;
}

void TcxCustomGridSizingObject::SetMark(bool shown) {
  if (shown == markShown_ || !FeedbackCanvas()) return;
  // Inverting draws the mark and inverting again erases it.
  if (shown) markBounds_ = GetSizingMarkBounds();
  FeedbackCanvas()->InvertArea(markBounds_);
  markShown_ = shown;
}

void TcxCustomGridSizingObject::SetMousePosX(Integer v) {
  if (v == mouseX_) return;
  const bool shown = markShown_;
  SetMark(false);
  mouseX_ = v;
  SetMark(shown);
}

void TcxCustomGridSizingObject::SetMousePosY(Integer v) {
  if (v == mouseY_) return;
  const bool shown = markShown_;
  SetMark(false);
  mouseY_ = v;
  SetMark(shown);
}

void TcxCustomGridSizingObject::DirtyToggled() { SetMark(!DirtyState()); }

TCursor TcxCustomGridSizingObject::CursorFor(bool) {
  return IsHorizontalSizing() ? TCursor(crcxHorzSize) : TCursor(crcxVertSize);
}

void TcxCustomGridSizingObject::MoveDrag(const TPoint& p, bool& accepted) {
  if (IsHorizontalSizing()) SetMousePosX(p.X);
  else SetMousePosY(p.Y);
  accepted = true;
  TcxCustomGridDragAndDropObject::MoveDrag(p, accepted);
}

void TcxCustomGridSizingObject::BeforeFinishDrag(bool accepted) {
  SetMark(false);
  TcxCustomGridDragAndDropObject::BeforeFinishDrag(accepted);
}

TRect TcxCustomGridSizingObject::GetHorzSizingMarkBounds() {
  const TRect item = GetSizingItemBounds();
  const Integer right = item.Left + GetCurrentSize();
  return TRect(right - GetSizingMarkWidth(), item.Top, right, ViewInfo()->ClientBounds().Bottom);
}

TRect TcxCustomGridSizingObject::GetVertSizingMarkBounds() {
  const TRect item = GetSizingItemBounds();
  const Integer bottom = item.Top + GetCurrentSize();
  return TRect(ViewInfo()->ClientBounds().Left, bottom - GetSizingMarkWidth(), ViewInfo()->ClientBounds().Right, bottom);
}

TcxGridColumnHeaderViewInfo* TcxCustomGridColumnSizingObject::ColumnHeaderViewInfo() const {
  auto* viewInfo = static_cast<TcxGridTableViewInfo*>(ViewInfo());
  if (!Column || !viewInfo || Column->VisibleIndex() < 0) return nullptr;
  return viewInfo->HeaderViewInfo()->GetItemViewInfo(Column->VisibleIndex());
}

TcxCustomGridDragAndDropObject* TcxCustomGridColumnSizingObject::InitDrag(const TPoint& p, TcxCustomGridHitTest* hitTest) {
  TcxCustomGridSizingObject::InitDrag(p, hitTest);
  if (auto* h = dynamic_cast<TcxCustomGridColumnHitTest*>(hitTest)) Column = h->Column;
  return this;
}

TRect TcxCustomGridColumnSizingObject::GetSizingItemBounds() {
  TcxGridColumnHeaderViewInfo* header = ColumnHeaderViewInfo();
  return header ? header->Bounds : TRect();
}

void TcxGridColumnHorzSizingObject::StartDrag() {
  TcxGridColumnHeaderViewInfo* header = ColumnHeaderViewInfo();
  InitialSize = header ? header->GetDisplayWidth() : 0;
  TcxCustomGridColumnSizingObject::StartDrag();
}

Integer TcxGridColumnHorzSizingObject::GetCurrentSize() {
  Integer size = TcxCustomGridColumnSizingObject::GetCurrentSize();
  if (TcxGridColumnHeaderViewInfo* header = ColumnHeaderViewInfo()) header->CheckWidth(size);
  return size;
}

void TcxGridColumnHorzSizingObject::BeforeFinishDrag(bool accepted) {
  TcxCustomGridColumnSizingObject::BeforeFinishDrag(accepted);
  TcxGridColumnHeaderViewInfo* header = ColumnHeaderViewInfo();
  if (!accepted || !header) return;
  const Integer size = GetCurrentSize();
  if (size == InitialSize) return;
  TcxGridColumn* column = Column;
  column->ChangeWidthByUser(size - header->Container()->GetColumnIndent(column));
  static_cast<TcxGridTableView*>(GridView())->DoColumnSizeChanged(column);
}

TcxCustomGridRowViewInfo* TcxGridRowSizingObject::RowViewInfo() const {
  return Row ? dynamic_cast<TcxCustomGridRowViewInfo*>(Row->ViewInfo) : nullptr;
}

TcxCustomGridDragAndDropObject* TcxGridRowSizingObject::InitDrag(const TPoint& p, TcxCustomGridHitTest* hitTest) {
  TcxCustomGridSizingObject::InitDrag(p, hitTest);
  if (auto* h = dynamic_cast<TcxGridRecordHitTest*>(hitTest)) Row = h->GridRecord;
  return this;
}

TRect TcxGridRowSizingObject::GetSizingItemBounds() {
  TcxCustomGridRowViewInfo* row = RowViewInfo();
  return row ? row->Bounds : TRect();
}

void TcxGridRowSizingObject::StartDrag() {
  TcxCustomGridRowViewInfo* row = RowViewInfo();
  InitialSize = row ? row->Bounds.Height() : 0;
  TcxCustomGridSizingObject::StartDrag();
}

Integer TcxGridRowSizingObject::GetCurrentSize() {
  const Integer size = TcxCustomGridSizingObject::GetCurrentSize();
  TcxCustomGridRowViewInfo* row = RowViewInfo();
  return row ? row->CheckRowHeight(size) : size;
}

void TcxGridRowSizingObject::BeforeFinishDrag(bool accepted) {
  TcxCustomGridSizingObject::BeforeFinishDrag(accepted);
  // Every row of the kind takes the new height through the kind's height option.
  if (TcxCustomGridRowViewInfo* row = RowViewInfo(); accepted && row) row->SetRowHeight(GetCurrentSize());
}

TcxDragAndDropObjectClass TcxGridTableController::GetColumnHeaderMovingObjectClass() {
  return TcxGridColumnHeaderHitTest::MovingObjectClass;
}

void RegisterGridTableViewDragObjects() {
  TcxGridRowSizingEdgeHitTest::SizingObjectClass = [](TcxControl* c) -> TcxDragAndDropObject* {
    return new TcxGridRowSizingObject(c);
  };
  TcxGridColumnHeaderHitTest::MovingObjectClass = [](TcxControl* c) -> TcxDragAndDropObject* {
    return new TcxGridColumnHeaderMovingObject(c);
  };
  TcxGridColumnHeaderHorzSizingEdgeHitTest::SizingObjectClass = [](TcxControl* c) -> TcxDragAndDropObject* {
    return new TcxGridColumnHorzSizingObject(c);
  };
}
