#include "gridviews/cxGridCardViewDragDrop.h"

#include <algorithm>

#include "grid/cxGrid.h"

KORVAN_IMPLEMENT_CLASS(TcxGridCardRowMovingObject)
KORVAN_IMPLEMENT_CLASS(TcxGridCardRowsListBox)
KORVAN_IMPLEMENT_CLASS(TcxGridCardViewCustomizationForm)

namespace {
const TcxResourceStringRec scxGridCustomizationFormRowsPageCaption{"scxGridCustomizationFormRowsPageCaption", "Rows"};
}

bool TcxGridRowContainerZone::IsSameZone(const TcxGridItemContainerZone* zone) const {
  auto* other = dynamic_cast<const TcxGridRowContainerZone*>(zone);
  return TcxGridItemContainerZone::IsSameZone(zone) && other && other->GridRecord == GridRecord;
}

// ---- the hit tests' drag object -----------------------------------------------------------------

TcxDragAndDropObjectClass TcxGridCardRowCellHitTest::DragAndDropObjectClass() {
  auto* view = dynamic_cast<TcxGridCardView*>(GridView());
  if (!view || !Row() || !Row()->CanMove()) return nullptr;
  return static_cast<TcxGridCardViewController*>(view->Controller())->GetRowMovingObjectClass();
}

TcxDragAndDropObjectClass TcxGridCardViewController::GetRowMovingObjectClass() {
  return [](TcxControl* control) -> TcxDragAndDropObject* { return new TcxGridCardRowMovingObject(control); };
}

TClass TcxGridCardViewController::GetCustomizationFormClass() { return TcxGridCardViewCustomizationForm::StaticClass(); }

// ---- drag scrolling inside a card -----------------------------------------------------------------

void TcxGridCardViewController::CheckDragScroll(const TPoint& p) {
  TcxCustomGridHitTest* hitTest = ViewInfo() ? ViewInfo()->GetHitTest(p) : nullptr;
  bool up = dynamic_cast<TcxGridCardScrollButtonUpHitTest*>(hitTest) != nullptr;
  bool down = dynamic_cast<TcxGridCardScrollButtonDownHitTest*>(hitTest) != nullptr;
  if (!IsOwnHitTest(hitTest) || !(up || down)) {
    SetScrollDirection(0);
    return;
  }
  Integer row = static_cast<TcxGridRecordHitTest*>(hitTest)->GridRecord->Index();
  if (row != dragScrollRow_) SetScrollDirection(0);
  dragScrollRow_ = row;
  SetScrollDirection(up ? 3 : 4);
}

void TcxGridCardViewController::ScrollData(Integer direction) {
  if (direction == 3 || direction == 4) {
    if (!IsDragging()) return;
    if (TcxGridCardViewInfo* card = DragScrollCard()) card->SetTopRowIndex(card->TopRowIndex() + (direction == 3 ? -1 : 1));
    return;
  }
  ScrollRecords(direction == 2, CardsPerScrollLine());
}

bool TcxGridCardViewController::CanScrollData(Integer direction) {
  if (direction != 3 && direction != 4) return TcxCustomGridTableController::CanScrollData(direction);
  TcxGridCardViewInfo* card = DragScrollCard();
  return card && (direction == 3 ? card->CanScrollUp() : card->CanScrollDown());
}

Integer TcxGridCardViewController::GetScrollTimerInterval(Integer direction) {
  return direction == 3 || direction == 4 ? 300 : TcxCustomGridTableController::GetScrollTimerInterval(direction);
}

// ---- moving a row ---------------------------------------------------------------------------------------

TcxCustomGridDragAndDropObject* TcxGridCardRowMovingObject::InitDrag(const TPoint& p, TcxCustomGridHitTest* hitTest) {
  TcxCustomGridTableItemMovingObject::InitDrag(p, hitTest);
  if (auto* h = dynamic_cast<TcxGridCardRowCellHitTest*>(hitTest)) {
    SourceItem = h->Row();
    SourceRecord = h->RowContainerKind == rckCard ? h->GridRecord : nullptr;
    SourceItemContainerKind = h->RowContainerKind;
  }
  return this;
}

TcxGridCardViewInfo* TcxGridCardRowMovingObject::CardOf(TcxCustomGridRecord* record) {
  TcxGridCardViewViewInfo* info = CardView() ? CardView()->GetViewInfo() : nullptr;
  TcxGridCardsViewInfo* cards = info ? info->GetCardsViewInfo() : nullptr;
  return record && cards ? dynamic_cast<TcxGridCardViewInfo*>(cards->GetViewInfoOfRecord(record)) : nullptr;
}

TcxGridCardViewInfo* TcxGridCardRowMovingObject::DestinationCard() {
  return DestinationAreaKind == rckCard && RowZone() ? CardOf(RowZone()->GridRecord) : nullptr;
}

TcxCustomGridCellViewInfo* TcxGridCardRowMovingObject::GetSourceItemViewInfo() {
  return SourceItemContainerKind == rckCard ? CardOf(SourceRecord) : nullptr;
}

TRect TcxGridCardRowMovingObject::GetSourceItemBounds() {
  if (SourceItemContainerKind != rckCard) return TcxCustomGridTableItemMovingObject::GetSourceItemBounds();
  TcxGridCardViewInfo* card = CardOf(SourceRecord);
  Integer i = card ? card->IndexOfRow(Row()) : -1;
  if (i < 0) return TRect();
  return Row()->Kind() == rkCaption || card->CaptionBounds(i).IsEmpty() ? card->RowBounds(i) : card->CaptionBounds(i);
}

bool TcxGridCardRowMovingObject::CanRemove() {
  if (SourceItemContainerKind != rckCard || !Row() || !Row()->CanHide()) return false;
  return Controller()->Customization() || CardView()->GetOptionsCustomize()->ItemHiding();
}

Integer TcxGridCardRowMovingObject::ZoneOfCardPosition(TcxGridCardViewInfo* card, Integer position) {
  if (position < card->RowCount()) return card->Row(position)->VisibleIndex();
  return card->RowCount() > 0 ? card->Row(card->RowCount() - 1)->VisibleIndex() + 1 : 0;
}

TcxGridRowContainerZone* TcxGridCardRowMovingObject::GetCardZone(const TPoint& p) {
  TcxCustomGridHitTest* hitTest = ViewInfo() ? ViewInfo()->GetHitTest(p) : nullptr;
  auto* recordHit = dynamic_cast<TcxGridRecordHitTest*>(hitTest);
  if (!recordHit || !Controller()->IsOwnHitTest(hitTest)) return nullptr;
  TcxGridCardViewInfo* card = CardOf(recordHit->GridRecord);
  if (!card) return nullptr;
  TcxCustomGridRecord* record = recordHit->GridRecord;
  Integer end = card->TopRowIndex() + card->FullyVisibleRowCount();
  if (dynamic_cast<TcxGridCardScrollButtonUpHitTest*>(hitTest))
    return new TcxGridRowContainerZone(ZoneOfCardPosition(card, card->TopRowIndex()), record);
  if (dynamic_cast<TcxGridCardScrollButtonDownHitTest*>(hitTest))
    return new TcxGridRowContainerZone(ZoneOfCardPosition(card, end), record);
  auto* cellHit = dynamic_cast<TcxGridRecordCellHitTest*>(hitTest);
  Integer position = cellHit ? card->IndexOfRow(dynamic_cast<TcxGridCardViewRow*>(cellHit->Item)) : -1;
  if (position >= 0) {
    // The lower half of a row: after it.
    TRect r = card->RowBounds(position);
    Integer zone = cellHit->Item->VisibleIndex() + (p.Y >= (r.Top + r.Bottom) / 2 ? 1 : 0);
    return new TcxGridRowContainerZone(zone, record);
  }
  // Below the last row of a card scrolled to its end: after that row.
  Integer laidOut = card->LaidOutRowCount();
  if (!card->CanScrollDown() && laidOut > 0 && p.Y >= card->RowBounds(card->TopRowIndex() + laidOut - 1).Bottom)
    return new TcxGridRowContainerZone(ZoneOfCardPosition(card, end), record);
  return card->FullyVisibleRowCount() > 0 ? nullptr : new TcxGridRowContainerZone(0, record);
}

void TcxGridCardRowMovingObject::GetDestinationArea(const TPoint& p, Integer& areaKind,
                                                    std::unique_ptr<TcxGridItemContainerZone>& zone) {
  TcxCustomGridTableItemMovingObject::GetDestinationArea(p, areaKind, zone);
  if (areaKind != rckNone) return;
  zone.reset(GetCardZone(p));
  if (zone) areaKind = rckCard;
}

bool TcxGridCardRowMovingObject::IsDestinationChange() {
  if (!RowZone() || !Row()) return false;
  if (!Row()->Visible()) return true;
  const Integer zone = RowZone()->ItemIndex, own = Row()->VisibleIndex();
  return zone != own && zone != own + 1;
}

bool TcxGridCardRowMovingObject::IsValidDestination() { return DestinationAreaKind == rckCard && IsDestinationChange(); }

// The line the arrows point at is the top of the rectangle: the row at the zone, the bottom of
// the last laid-out row past them, the top of the rows area in a card with no whole row.
TRect TcxGridCardRowMovingObject::CalculateDestinationPoints() {
  TcxGridCardViewInfo* card = DestinationCard();
  if (!card) return TRect();
  if (card->FullyVisibleRowCount() == 0 || card->LaidOutRowCount() == 0) return card->RowsAreaBounds();
  Integer position = 0;
  while (position < card->RowCount() && card->Row(position)->VisibleIndex() < RowZone()->ItemIndex) ++position;
  const Integer first = card->TopRowIndex(), last = first + card->LaidOutRowCount() - 1;
  if (position > last) {
    TRect r = card->RowBounds(last);
    r.Top = r.Bottom;
    return r;
  }
  return card->RowBounds(std::max(position, first));
}

void TcxGridCardRowMovingObject::MoveDrag(const TPoint& p, bool& accepted) {
  if (auto* controller = dynamic_cast<TcxGridCardViewController*>(Controller())) controller->CheckDragScroll(p);
  TcxCustomGridTableItemMovingObject::MoveDrag(p, accepted);
}

void TcxGridCardRowMovingObject::MoveRow() {
  TcxGridCardView* view = CardView();
  const Integer zone = RowZone()->ItemIndex;
  Integer index;
  if (zone >= view->GetVisibleRowCount()) {
    index = view->ItemCount() - 1;
  } else {
    index = view->GetVisibleRow(zone)->Index();
    if (Row()->Index() < index) --index;
  }
  Row()->SetIndex(index);
}

void TcxGridCardRowMovingObject::BeforeFinishDrag(bool accepted) {
  TcxCustomGridTableItemMovingObject::BeforeFinishDrag(accepted);
  if (auto* controller = dynamic_cast<TcxGridCardViewController*>(Controller())) controller->SetScrollDirection(0);
  TcxGridCardViewRow* row = Row();
  if (!accepted || !row) return;
  bool changed = false;
  TcxCustomGrid* grid = Controller()->Grid();
  grid->BeginUpdate();
  try {
    if (DestinationAreaKind == rckCard) {
      if (IsValidDestination()) {
        MoveRow();
        row->SetVisible(true);
        changed = true;
      }
    } else if (CanRemove()) {
      row->SetVisible(false);
      changed = true;
    }
  } catch (...) {
    grid->EndUpdate();
    throw;
  }
  grid->EndUpdate();
  if (changed) CardView()->DoRowPosChanged(row);
}

// ---- the rows customization form ---------------------------------------------------------------------

void TcxGridCardRowsListBox::PaintItem(TcxCanvas* canvas, const TRect& rect, Integer index, bool focused) {
  const bool selected = index == ItemIndex();
  canvas->FillRectColor(rect, selected ? clHighlight : clWindow);
  canvas->CurrentFont()->SetColor(selected ? clHighlightText : clWindowText);
  Integer flags = ctfLeft | ctfVCenter | ctfSingleLine;
  if (CardView()->GetOptionsView()->ItemCaptionEndEllipsis()) flags |= ctfEndEllipsis;
  canvas->CurrentBrush()->SetStyle(bsClear);
  canvas->OutputText(Items()->Strings(index), TRect(rect.Left + 2, rect.Top, rect.Right, rect.Bottom), flags);
  canvas->CurrentBrush()->SetStyle(bsSolid);
  if (focused) canvas->DrawFocusFrame(rect);
}

TcxCustomGridHitTest* TcxGridCardRowsListBox::GetDragHitTest(Integer index) {
  auto* row = dynamic_cast<TcxGridCardViewRow*>(GetDragItem(index));
  if (!row) return nullptr;
  auto* hitTest = GetPooledHitTest<TcxGridCardRowCaptionHitTest>(TPoint(-1, -1));
  hitTest->SetViewInfo(nullptr);
  hitTest->SetGridView(CardView());
  hitTest->GridRecord = nullptr;
  hitTest->Item = row;
  hitTest->RowContainerKind = rckCustomizationForm;
  return hitTest;
}

String TcxGridCardViewCustomizationForm::GetItemsPageCaption() {
  return LoadReplaceableResString(scxGridCustomizationFormRowsPageCaption);
}
