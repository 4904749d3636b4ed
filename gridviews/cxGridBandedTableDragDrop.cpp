#include "gridviews/cxGridBandedTableDragDrop.h"

#include <algorithm>

#include "data/cxCustomDataInternal.h"
#include "grid/cxGrid.h"

using cxdata_internal::Finally;

KORVAN_IMPLEMENT_CLASS(TcxGridBandHeaderMovingObject)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedColumnHeaderMovingObject)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnVertSizingObject)
KORVAN_IMPLEMENT_CLASS(TcxGridBandSizingObject)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedTableBandsListBox)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedTableCustomizationForm)
KORVAN_IMPLEMENT_CLASS(TcxGridBandsCustomizationPopup)

namespace {

const TcxResourceStringRec scxGridCustomizationFormBandsPageCaption{"scxGridCustomizationFormBandsPageCaption",
                                                                    "Bands"};

TcxDragAndDropObjectClass bandMovingClass = nullptr, bandSizingClass = nullptr, columnVertSizingClass = nullptr;

TcxGridBandViewInfo* BandViewInfoIn(TcxGridBandedTableViewInfo* info, TcxGridBand* band) {
  if (!info || !info->HeaderViewInfo() || !band || band->GetVisibleIndex() < 0) return nullptr;
  if (band->GetVisibleIndex() >= info->GetBandsViewInfo()->Count()) return nullptr;
  return info->GetBandsViewInfo()->GetItem(band->GetVisibleIndex());
}

TcxGridBandedTableController* BandedControllerOf(TcxCustomGridController* controller) {
  return dynamic_cast<TcxGridBandedTableController*>(controller);
}

// The band that would hand its columns to another and the one that would take them.
bool HandsColumns(TcxGridBand* from, TcxGridBand* to) {
  return from->Options()->HoldOwnColumnsOnly() || to->Options()->HoldOwnColumnsOnly();
}

}  // namespace

TcxDragAndDropObjectClass TcxGridColumnHeaderVertSizingEdgeHitTest::DragAndDropObjectClass() {
  return columnVertSizingClass;
}

TcxDragAndDropObjectClass TcxGridBandHeaderHitTest::DragAndDropObjectClass() {
  return Band && Band->CanMove() ? bandMovingClass : nullptr;
}

TcxDragAndDropObjectClass TcxGridBandHeaderSizingEdgeHitTest::DragAndDropObjectClass() { return bandSizingClass; }

// ---- moving a band ----------------------------------------------------------------------------------------

void TcxGridBandHeaderMovingObject::SetDestination(TcxGridBand* band, Integer zone, bool overForm, bool intoEmpty) {
  if (band != destBand_ || zone != destZone_ || overForm != overForm_ || intoEmpty != intoEmpty_) SetDirty();
  destBand_ = band;
  destZone_ = zone;
  overForm_ = overForm;
  intoEmpty_ = intoEmpty;
}

TcxCustomGridDragAndDropObject* TcxGridBandHeaderMovingObject::InitDrag(const TPoint& p,
                                                                        TcxCustomGridHitTest* hitTest) {
  TcxCustomGridMovingObject::InitDrag(p, hitTest);
  if (auto* h = dynamic_cast<TcxGridBandHitTest*>(hitTest)) {
    SourceItem = h->Band;
    SourceContainerKind = h->BandContainerKind;
  }
  return this;
}

void TcxGridBandHeaderMovingObject::StartDrag() {
  if (auto* form = dynamic_cast<TcxGridBandedTableCustomizationForm*>(Controller()->CustomizationForm()))
    form->ActivatePage(form->BandsPage());
  if (TcxGridBandedTableController* controller = BandedControllerOf(Controller())) controller->MovingBand = Band();
  TcxCustomGridMovingObject::StartDrag();
}

void TcxGridBandHeaderMovingObject::MoveDrag(const TPoint& p, bool& accepted) {
  TcxCustomGridHitTest* hit = ViewInfo() ? ViewInfo()->GetHitTest(p) : nullptr;
  const bool overForm = hit && hit->GetHitTestCode() == 2;
  TcxGridBand* band = nullptr;
  Integer zone = 0;
  if (!overForm && BandedViewInfo() && BandedViewInfo()->HeaderViewInfo())
    BandedViewInfo()->GetBandsViewInfo()->FindDropBand(p, band, zone);
  bool intoEmpty = false;
  if (!overForm && BandedView()->Bands()->GetVisibleRootBandCount() == 0 && BandedViewInfo())
    intoEmpty = BandedViewInfo()->HorzScrollArea().Contains(p);
  if (band != destBand_ || zone != destZone_) HideDragImages();
  SetDestination(band, zone, overForm, intoEmpty);
  CheckHoldOwnColumns();
  accepted = overForm_ || destBand_ || intoEmpty_;
  TcxCustomGridMovingObject::MoveDrag(p, accepted);
}

void TcxGridBandHeaderMovingObject::CheckHoldOwnColumns() {
  TcxGridBand* moved = Band();
  TcxGridBand* dest = destBand_;
  if (!moved || !dest || (destZone_ != bdzTop && destZone_ != bdzBottom)) return;
  bool refuse = false;
  if (destZone_ == bdzBottom && dest->ChildBandCount() == 0 && dest->ColumnCount() > 0)
    refuse = HandsColumns(dest, moved->GetFirstBottomDescendant());
  else if (moved->ChildBandCount() == 0 && moved->ColumnCount() > 0)
    refuse = HandsColumns(moved, dest->GetFirstBottomDescendant());
  if (refuse) SetDestination(nullptr, destZone_, overForm_, intoEmpty_);
}

bool TcxGridBandHeaderMovingObject::CanRemove() {
  TcxGridBand* band = Band();
  return band && !IsDraggedFromCustomizationForm() && band->CanHide() &&
         (BandedView()->GetOptionsCustomize()->BandHiding() || Controller()->Customization());
}

TRect TcxGridBandHeaderMovingObject::CalculateDestinationPoints() {
  TcxGridBandedTableViewInfo* info = BandedViewInfo();
  if (intoEmpty_ || !destBand_) return info->HeaderViewInfo()->Bounds;
  TcxGridBandViewInfo* band = BandViewInfoIn(info, destBand_);
  if (!band) return TRect();
  TRect r = band->GetHeaderViewInfo()->Bounds;
  if (destZone_ == bdzRight) r.Left = r.Right;
  if (destZone_ == bdzBottom) r.Top = r.Bottom;
  return r;
}

TRect TcxGridBandHeaderMovingObject::GetArrowAreaBounds() {
  TRect r = Site()->ClientRect();
  if (!overForm_ && Band() && Band()->FixedKind() == fkNone && BandedViewInfo()) {
    const TRect scroll = BandedViewInfo()->HorzScrollArea();
    r.Left = scroll.Left;
    r.Right = scroll.Right;
  }
  return r;
}

TcxCustomGridItemsListBox* TcxGridBandHeaderMovingObject::GetCustomizationListBox() {
  auto* form = dynamic_cast<TcxGridBandedTableCustomizationForm*>(Controller()->CustomizationForm());
  return form ? form->BandsListBox() : nullptr;
}

TcxCustomGridCellViewInfo* TcxGridBandHeaderMovingObject::GetSourceItemViewInfo() {
  if (IsDraggedFromCustomizationForm()) return nullptr;
  TcxGridBandViewInfo* band = BandViewInfoIn(BandedViewInfo(), Band());
  return band ? band->GetHeaderViewInfo() : nullptr;
}

bool TcxGridBandHeaderMovingObject::IsValidDestination() {
  if (intoEmpty_) return true;
  TcxGridBand* moved = Band();
  TcxGridBand* dest = destBand_;
  if (!moved || !dest || dest == moved) return false;
  if (moved->FixedKind() != dest->FixedKind()) {
    // A hidden band whose kind shows no root band may go to the border between kinds.
    TcxGridBands* bands = BandedView()->Bands();
    if (moved->Visible() || !dest->IsRoot()) return false;
    if (bands->GetFirstVisibleRootIndex(moved->FixedKind()) <= bands->GetLastVisibleRootIndex(moved->FixedKind()))
      return false;
    auto rootAt = [bands](Integer i) {
      return i >= 0 && i < bands->GetVisibleRootBandCount() ? bands->GetVisibleRootBand(i) : nullptr;
    };
    switch (moved->FixedKind()) {
      case fkLeft: return destZone_ == bdzLeft && dest == rootAt(bands->GetFirstVisibleRootIndex(fkNone));
      case fkRight: return destZone_ == bdzRight && dest == rootAt(bands->GetLastVisibleRootIndex(fkNone));
      default:
        return (destZone_ == bdzRight && dest == rootAt(bands->GetLastVisibleRootIndex(fkLeft))) ||
               (destZone_ == bdzLeft && dest == rootAt(bands->GetFirstVisibleRootIndex(fkRight)));
    }
  }
  if (!moved->Visible()) return true;
  if (destZone_ == bdzTop && dest->ParentBand() == moved) return moved->GetVisibleChildBandCount() > 1;
  if (destZone_ == bdzBottom && dest == moved->ParentBand()) return dest->GetVisibleChildBandCount() > 1;
  if (dest->ParentBand() == moved->ParentBand()) {
    const Integer mi = moved->Position()->VisibleColIndex(), di = dest->Position()->VisibleColIndex();
    // Beside itself: the band would stay where it is.
    if (destZone_ == bdzLeft && di == mi + 1) return false;
    if (destZone_ == bdzRight && di == mi - 1) return false;
  }
  return true;
}

bool TcxGridBandHeaderMovingObject::ApplyDrop() {
  TcxGridBand* moved = Band();
  TcxGridBandedTableView* view = BandedView();
  if (!moved) return false;
  bool changed = false;
  view->BeginUpdate();
  {
    Finally end{[view] { view->EndUpdate(); }};
    if (TcxGridBand* dest = destBand_) {
      if (!IsValidDestination()) return false;
      const Integer zone = destZone_;
      Integer parentIndex = zone == bdzBottom ? dest->Index() : dest->Position()->BandIndex();
      if (parentIndex == moved->Index()) {
        // The destination is a child of the moved band: its children first take its place.
        const Integer bandIndex = moved->Position()->BandIndex(), colIndex = moved->Position()->ColIndex();
        for (Integer i = moved->ChildBandCount() - 1; i >= 0; --i) {
          TcxGridBand* child = moved->ChildBands(i);
          child->Position()->SetBandIndex(bandIndex);
          child->Position()->SetColIndex(colIndex);
        }
        parentIndex = dest->Position()->BandIndex();
      }
      Integer colIndex = 0;
      if (zone != bdzBottom) {
        colIndex = dest->Position()->ColIndex() + (zone == bdzRight ? 1 : 0);
        const bool sameParent = moved->Position()->BandIndex() == parentIndex;
        if (sameParent && moved->Position()->ColIndex() < colIndex) --colIndex;
      }
      moved->Position()->SetBandIndex(parentIndex);
      moved->Position()->SetColIndex(colIndex);
      if (zone == bdzTop) {
        dest->Position()->SetBandIndex(moved->Index());
        dest->Position()->SetColIndex(0);
      } else if (zone == bdzBottom) {
        std::vector<TcxGridBand*> others;
        for (Integer i = 0; i < dest->GetVisibleChildBandCount(); ++i)
          if (dest->GetVisibleChildBand(i) != moved) others.push_back(dest->GetVisibleChildBand(i));
        for (TcxGridBand* other : others) other->Position()->SetBandIndex(moved->Index());
      }
      moved->SetVisible(true);
      changed = true;
    } else if (CanRemove()) {
      moved->SetVisible(false);
      changed = true;
    } else if (intoEmpty_) {
      moved->Position()->SetBandIndex(-1);
      moved->SetVisible(true);
      changed = true;
    }
  }
  if (changed) view->DoBandPosChanged(moved);
  return changed;
}

void TcxGridBandHeaderMovingObject::BeforeFinishDrag(bool accepted) {
  TcxCustomGridMovingObject::BeforeFinishDrag(accepted);
  if (TcxGridBandedTableController* controller = BandedControllerOf(Controller())) controller->MovingBand = nullptr;
  if (accepted) ApplyDrop();
}

// ---- moving a column in a banded header -----------------------------------------------------------------------

bool TcxGridBandedColumnHeaderMovingObject::AreArrowsVertical() {
  TcxGridBandedColumnContainerZone* zone = BandedZone();
  if (DestinationAreaKind == ickHeader && zone && zone->ItemIndex == -1) return false;
  return TcxGridColumnHeaderMovingObject::AreArrowsVertical();
}

void TcxGridBandedColumnHeaderMovingObject::GetDestinationArea(const TPoint& p, Integer& areaKind,
                                                              std::unique_ptr<TcxGridItemContainerZone>& zone) {
  TcxCustomGridTableItemMovingObject::GetDestinationArea(p, areaKind, zone);
  if (areaKind != ickNone || !TableViewInfo()) return;
  zone.reset(TableViewInfo()->GroupByBoxViewInfo()->GetDropZone(p));
  if (zone) {
    areaKind = ickGroupByBox;
    return;
  }
  auto* header = static_cast<TcxGridBandedHeaderViewInfo*>(TableViewInfo()->HeaderViewInfo());
  zone.reset(header->GetBandedDropZone(p));
  if (zone) areaKind = ickHeader;
}

void TcxGridBandedColumnHeaderMovingObject::CheckDestinationArea(Integer& areaKind) {
  TcxGridColumnHeaderMovingObject::CheckDestinationArea(areaKind);
  TcxGridBandedColumnContainerZone* zone = BandedZone();
  if (areaKind != ickHeader || !zone) return;
  TcxGridBand* own = BandedColumn()->Position()->Band();
  if (zone->Band != own && (zone->Band->Options()->HoldOwnColumnsOnly() || (own && own->Options()->HoldOwnColumnsOnly())))
    areaKind = ickNone;
}

bool TcxGridBandedColumnHeaderMovingObject::IsDestinationChange() {
  TcxGridBandedColumnContainerZone* zone = BandedZone();
  if (DestinationAreaKind != ickHeader || !zone) return TcxGridColumnHeaderMovingObject::IsDestinationChange();
  TcxGridBandedColumnPosition* p = BandedColumn()->Position();
  if (SourceItemContainerKind == ickGroupByBox || zone->Band != p->Band()) return true;
  const Integer row = p->GetVisibleRowIndex(), col = p->GetVisibleColIndex();
  if (zone->ItemIndex == -1) {
    TcxGridBandRow* own = p->GetRow();
    return !(own && own->VisibleCount() == 1 && (zone->RowIndex == row || zone->RowIndex == row + 1));
  }
  return !(zone->RowIndex == row && (zone->ColIndex == col || zone->ColIndex == col + 1));
}

TRect TcxGridBandedColumnHeaderMovingObject::GetArrowAreaBounds() {
  TRect r = TcxGridColumnHeaderMovingObject::GetArrowAreaBounds();
  TcxGridBandedColumnContainerZone* zone = BandedZone();
  if (DestinationAreaKind == ickHeader && zone && zone->Band->FixedKind() == fkNone) {
    const TRect scroll = TableViewInfo()->HorzScrollArea();
    r.Left = scroll.Left;
    r.Right = scroll.Right;
  }
  return r;
}

TRect TcxGridBandedColumnHeaderMovingObject::GetHeaderArrowsBounds() {
  TcxGridBandedColumnContainerZone* zone = BandedZone();
  auto* info = static_cast<TcxGridBandedTableViewInfo*>(TableViewInfo());
  if (!zone) return TcxGridColumnHeaderMovingObject::GetHeaderArrowsBounds();
  TcxGridBandViewInfo* band = BandViewInfoIn(info, zone->Band);
  if (zone->ItemIndex == -1) {
    if (!band || !band->GetRowsViewInfo()) return TRect();
    TRect r = band->GetRowsViewInfo()->Bounds;
    if (zone->RowIndex > 0 && zone->RowIndex - 1 < band->GetRowsViewInfo()->GetCount())
      r.Top = band->GetRowsViewInfo()->GetItem(zone->RowIndex - 1)->Bounds.Bottom;
    return r;
  }
  TcxGridBandedColumnHeaderViewInfo* header = info->GetHeaderViewInfo()->ColumnHeader(zone->ItemIndex);
  if (!header) return TRect();
  TRect r = header->Bounds;
  if (zone->ColIndex != header->GetColumn()->Position()->GetVisibleColIndex()) r.Left = r.Right;
  return r;
}

void TcxGridBandedColumnHeaderMovingObject::MoveInHeader() {
  TcxGridBandedColumnContainerZone* zone = BandedZone();
  if (!zone) return;
  TcxGridBandedColumn* column = BandedColumn();
  TcxGridBandedColumnPosition* p = column->Position();
  TcxGridBand* band = zone->Band;
  TcxGridBandedTableView* view = column->GridView();
  view->BeginUpdate();
  Finally end{[view] { view->EndUpdate(); }};
  p->SetBandIndex(band->Index());
  TcxGridBandRows* rows = band->Rows();
  const Integer row =
      zone->RowIndex >= rows->VisibleCount() ? rows->Count() : rows->VisibleItems(zone->RowIndex)->Index();
  if (zone->ItemIndex == -1) rows->Insert(row);
  p->SetRowIndex(row);
  TcxGridBandRow* target = p->GetRow();
  if (!target) return;
  Integer col;
  if (zone->ItemIndex == -1 || zone->ColIndex >= target->VisibleCount()) {
    col = target->Count();
  } else {
    col = target->VisibleItems(zone->ColIndex)->Position()->ColIndex();
    if (p->ColIndex() < col) --col;
  }
  p->SetColIndex(col);
}

// ---- sizing ------------------------------------------------------------------------------------------------------

Integer TcxGridColumnVertSizingObject::LineHeight() {
  auto* info = static_cast<TcxGridTableViewInfo*>(ViewInfo());
  return info && info->HeaderViewInfo() ? std::max<Integer>(info->HeaderViewInfo()->GetItemHeight(), 1) : 1;
}

void TcxGridColumnVertSizingObject::StartDrag() {
  TcxGridColumnHeaderViewInfo* header = ColumnHeaderViewInfo();
  InitialSize = header ? header->Bounds.Height() : 0;
  if (TcxGridBandedTableController* controller = BandedControllerOf(Controller()))
    controller->VertSizingColumn = static_cast<TcxGridBandedColumn*>(Column);
  TcxCustomGridColumnSizingObject::StartDrag();
}

Integer TcxGridColumnVertSizingObject::GetCurrentSize() {
  const Integer size = TcxCustomGridColumnSizingObject::GetCurrentSize();
  const Integer line = LineHeight();
  // Whole lines: rounded to the nearest, at least one.
  const Integer lines = std::max<Integer>((size + line / 2) / line, 1);
  return lines * line;
}

void TcxGridColumnVertSizingObject::BeforeFinishDrag(bool accepted) {
  TcxCustomGridColumnSizingObject::BeforeFinishDrag(accepted);
  auto* column = static_cast<TcxGridBandedColumn*>(Column);
  if (accepted && column) {
    column->Position()->SetLineCount(GetCurrentSize() / LineHeight());
    column->GridView()->DoColumnSizeChanged(column);
  }
  if (TcxGridBandedTableController* controller = BandedControllerOf(Controller())) controller->VertSizingColumn = nullptr;
}

TcxGridBandViewInfo* TcxGridBandSizingObject::BandViewInfo() {
  return BandViewInfoIn(static_cast<TcxGridBandedTableViewInfo*>(ViewInfo()), Band);
}

TcxCustomGridDragAndDropObject* TcxGridBandSizingObject::InitDrag(const TPoint& p, TcxCustomGridHitTest* hitTest) {
  TcxCustomGridSizingObject::InitDrag(p, hitTest);
  if (auto* h = dynamic_cast<TcxGridBandHitTest*>(hitTest)) Band = h->Band;
  return this;
}

void TcxGridBandSizingObject::StartDrag() {
  TcxGridBandViewInfo* info = BandViewInfo();
  InitialSize = info ? info->GetContentWidth() : 0;
  if (TcxGridBandedTableController* controller = BandedControllerOf(Controller())) controller->SizingBand = Band;
  TcxCustomGridSizingObject::StartDrag();
}

Integer TcxGridBandSizingObject::GetCurrentSize() {
  Integer size = TcxCustomGridSizingObject::GetCurrentSize();
  if (TcxGridBandViewInfo* info = BandViewInfo()) info->ClampSizingWidth(size);
  return size;
}

TRect TcxGridBandSizingObject::GetSizingItemBounds() {
  TcxGridBandViewInfo* info = BandViewInfo();
  return info ? info->GetContentBounds() : TRect();
}

void TcxGridBandSizingObject::BeforeFinishDrag(bool accepted) {
  TcxCustomGridSizingObject::BeforeFinishDrag(accepted);
  if (TcxGridBandedTableController* controller = BandedControllerOf(Controller())) controller->SizingBand = nullptr;
  if (!accepted || !Band) return;
  const Integer size = GetCurrentSize();
  if (size == InitialSize) return;
  Band->ForceWidth(size);
  static_cast<TcxGridBandedTableView*>(GridView())->DoBandSizeChanged(Band);
}

// ---- the Bands page --------------------------------------------------------------------------------------

void TcxGridBandedTableBandsListBox::RefreshItems() {
  TcxGridTableItemsListBox::RefreshItems();
  TStrings* items = Items();
  items->BeginUpdate();
  Finally end{[items] { items->EndUpdate(); }};
  items->Clear();
  TcxGridBands* bands = BandedView()->Bands();
  for (Integer i = 0; i < bands->Count(); ++i) {
    TcxGridBand* band = bands->GetBand(i);
    if (band->CanMove() && !band->Hidden() && !band->Visible()) items->AddObject(band->DisplayName(), band);
  }
}

TcxCustomGridHitTest* TcxGridBandedTableBandsListBox::GetDragHitTest(Integer index) {
  auto* band = dynamic_cast<TcxGridBand*>(GetDragItem(index));
  if (!band) return nullptr;
  auto* hitTest = GetPooledHitTest<TcxGridBandHeaderHitTest>(TPoint(-1, -1));
  hitTest->SetViewInfo(nullptr);
  hitTest->SetGridView(BandedView());
  hitTest->Band = band;
  hitTest->BandContainerKind = 1;
  hitTest->VisibleRowIndex = -1;
  return hitTest;
}

bool TcxGridBandedTableBandsListBox::GetEndEllipsis() { return BandedView()->GetOptionsView()->BandHeaderEndEllipsis(); }

bool TcxGridBandedTableBandsListBox::DrawItemBackground(TcxCanvas* canvas, const TRect& rect) {
  TBitmap* bitmap = BandedView()->GetBackgroundBitmaps()->GetSetBitmap(TcxGridBandedTableBackgroundBitmaps::bbBandHeader);
  if (!bitmap) return false;
  canvas->FillBackground(rect, bitmap);
  return true;
}

void TcxGridBandedTableCustomizationForm::CreateTabSheets() {
  TcxGridTableCustomizationForm::CreateTabSheets();
  auto* view = static_cast<TcxGridBandedTableView*>(GridView());
  bandsPage_ = CreateTabSheet(LoadReplaceableResString(scxGridCustomizationFormBandsPageCaption),
                              view->GetOptionsCustomize()->BandMoving());
  bandsPage_->SetPageIndex(0);
  ActivatePage(bandsPage_);
}

void TcxGridBandedTableCustomizationForm::CreateControls() {
  TcxGridTableCustomizationForm::CreateControls();
  bandsListBox_ = static_cast<TcxGridBandedTableBandsListBox*>(GetBandsListBoxClass()->Create(this));
  bandsListBox_->SetAlign(alClient);
  bandsListBox_->SetParent(bandsPage_);
  bandsListBox_->RefreshItems();
}

void TcxGridBandedTableCustomizationForm::RefreshData() {
  TcxGridTableCustomizationForm::RefreshData();
  if (bandsListBox_) bandsListBox_->RefreshItems();
}

void TcxGridBandedTableCustomizationForm::ReloadItems() {
  TcxGridTableCustomizationForm::ReloadItems();
  if (bandsListBox_) bandsListBox_->RefreshItems();
}

// ---- the bands popup ----------------------------------------------------------------------------------------

void TcxGridBandsCustomizationPopup::FillItems() {
  TcxCheckListBoxItems* items = CheckListBox()->CheckItems();
  CheckListBox()->EncodeValue();
  items->BeginUpdate();
  Finally end{[items] { items->EndUpdate(); }};
  items->Clear();
  std::function<void(TcxGridBand*)> add = [&](TcxGridBand* band) {
    if (band->Hidden()) return;
    items->AddCheckItem(band->Caption(), band->Visible() ? cbsChecked : cbsUnchecked)->SetItemObject(band);
    // Children of a hidden band are not listed.
    if (band->Visible())
      for (Integer i = 0; i < band->ChildBandCount(); ++i) add(band->ChildBands(i));
  };
  TcxGridBands* bands = BandedView()->Bands();
  for (Integer i = 0; i < bands->GetRootBandCount(); ++i) add(bands->GetRootBand(i));
}

Integer TcxGridBandsCustomizationPopup::GetMaxDropDownCount() {
  return BandedView()->GetOptionsCustomize()->BandsQuickCustomizationMaxDropDownCount();
}

void TcxGridBandsCustomizationPopup::SetItemChecked(TObject* item, bool checked) {
  auto* band = static_cast<TcxGridBand*>(item);
  band->SetVisible(checked);
  FillItems();
  AdjustSize();
  BandedView()->DoBandPosChanged(band);
}

// ---- the controller's parts that are interaction's -----------------------------------------------------------

TClass TcxGridBandedTableController::GetCustomizationFormClass() {
  return TcxGridBandedTableCustomizationForm::StaticClass();
}

TClass TcxGridBandedTableController::GetBandsCustomizationPopupClass() {
  return TcxGridBandsCustomizationPopup::StaticClass();
}

TcxGridBandsCustomizationPopup* TcxGridBandedTableController::GetBandsCustomizationPopup() {
  if (!bandsPopup_)
    bandsPopup_ = static_cast<TcxGridBandsCustomizationPopup*>(GetBandsCustomizationPopupClass()->Create(GridView()));
  return bandsPopup_;
}

bool TcxGridBandedTableController::IsBandsPopupVisible() const { return bandsPopup_ && bandsPopup_->Visible(); }

void TcxGridBandedTableController::FreeBandsPopup() {
  if (bandsPopup_) bandsPopup_->Free();
  bandsPopup_ = nullptr;
}

TcxDragAndDropObjectClass TcxGridBandedTableController::GetColumnHeaderMovingObjectClass() {
  return [](TcxControl* c) -> TcxDragAndDropObject* { return new TcxGridBandedColumnHeaderMovingObject(c); };
}

void RegisterGridBandedTableDragObjects() {
  bandMovingClass = [](TcxControl* c) -> TcxDragAndDropObject* { return new TcxGridBandHeaderMovingObject(c); };
  bandSizingClass = [](TcxControl* c) -> TcxDragAndDropObject* { return new TcxGridBandSizingObject(c); };
  columnVertSizingClass = [](TcxControl* c) -> TcxDragAndDropObject* { return new TcxGridColumnVertSizingObject(c); };
}
