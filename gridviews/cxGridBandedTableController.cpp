// The banded controller (reading-order Tab, Up and Down through band rows, the pressed band),
// the band operations that read the layout (forced widths, best fit, frozen auto widths) and
// the unit start of the banded view.
#include <algorithm>

#include "data/cxCustomDataInternal.h"
#include "grid/cxGridCustomTableController.h"
#include "gridviews/cxGridBandedTableDragDrop.h"
#include "rtl/SysUtils.h"

using cxdata_internal::Finally;

KORVAN_IMPLEMENT_CLASS(TcxGridBandedTableController)

// ---- band and column operations that read the layout -----------------------------------------------

namespace {

TcxGridBandedTableController* BandedController(TcxGridBandedTableView* view) {
  return view ? dynamic_cast<TcxGridBandedTableController*>(view->Controller()) : nullptr;
}

TcxGridBandViewInfo* BandViewInfoOf(TcxGridBand* band) {
  TcxGridBandedTableView* view = band->GridView();
  auto* info = view ? dynamic_cast<TcxGridBandedTableViewInfo*>(view->ViewInfo()) : nullptr;
  if (!info || !info->HeaderViewInfo() || band->GetVisibleIndex() < 0) return nullptr;
  TcxGridBandsViewInfo* bands = info->GetBandsViewInfo();
  if (band->GetVisibleIndex() >= bands->Count()) return nullptr;
  TcxGridBandViewInfo* item = bands->GetItem(band->GetVisibleIndex());
  return item->GetBand() == band ? item : nullptr;
}

// The band takes the content width it shows.
void FreezeBandWidth(TcxGridBand* band) {
  if (TcxGridBandViewInfo* info = BandViewInfoOf(band)) band->SetWidth(info->GetContentWidth());
}

void FreezeChildren(TcxGridBand* parent) {
  for (Integer i = 0; i < parent->GetVisibleChildBandCount(); ++i) FreezeBandWidth(parent->GetVisibleChildBand(i));
}

}  // namespace

bool TcxGridBand::KeepsWidthInAutoWidth() const {
  if (HasFixedWidth()) return true;
  TcxGridBandedTableController* controller = BandedController(GridView());
  if (!controller) return false;
  if (controller->ForcingWidthBand) return controller->IsBandLeftOfForcingWidth(this);
  if (auto* sizing = dynamic_cast<TcxGridBandedColumn*>(controller->SizingColumn))
    if (TcxGridBand* band = sizing->Position()->Band()) return band->GetWidthOwner() == this;
  return false;
}

void TcxGridBand::ForceWidth(Integer value) {
  TcxGridBandedTableView* view = GridView();
  TcxGridBandedTableController* controller = BandedController(view);
  auto freeze = [this, view] {
    if (!view) return;
    view->BeginUpdate();
    Finally end{[view] { view->EndUpdate(); }};
    const bool autoWidth = view->GetOptionsView()->ColumnAutoWidth();
    if (GetWidthOwner() || autoWidth) {
      if (parent_) FreezeChildren(parent_);
      if (autoWidth) {
        for (TcxGridBand* b = parent_; b; b = b->ParentBand())
          if (b->ParentBand()) FreezeChildren(b->ParentBand());
        for (Integer i = 0; i < Bands()->GetVisibleRootBandCount(); ++i) FreezeBandWidth(Bands()->GetVisibleRootBand(i));
      }
    }
  };
  freeze();
  {
    if (controller) controller->ForcingWidthBand = this;
    Finally clear{[controller] {
      if (controller) controller->ForcingWidthBand = nullptr;
    }};
    SetWidth(value);
    // The layout follows at once while the neighbours keep their widths, so that the widths
    // frozen below are the ones it shows.
    if (view && !view->IsUpdateLocked() && view->ViewInfo()) view->ViewInfo()->Calculate();
  }
  freeze();
  Changed(2);
}

void TcxGridBand::ApplyBestFit(bool checkSizing, bool fireEvents) {
  if (checkSizing && !CanSize()) return;
  TcxGridBandedTableView* view = GridView();
  SetWidth(0);
  if (IsBottom()) {
    for (Integer r = 0; r < rows_->VisibleCount(); ++r) {
      TcxGridBandRow* row = rows_->VisibleItems(r);
      for (Integer i = 0; i < row->VisibleCount(); ++i) row->VisibleItems(i)->ApplyBestFit(checkSizing, fireEvents);
    }
  } else {
    for (Integer i = 0; i < GetVisibleChildBandCount(); ++i) GetVisibleChildBand(i)->ApplyBestFit(checkSizing, fireEvents);
  }
  if (!view || !view->GetOptionsView()->BandHeaders() || !IsActuallyVisible()) return;
  // The header's caption may be wider than the columns: the band widens to it.
  if (view->ViewInfo() && !view->IsUpdateLocked()) {
    view->ViewInfo()->Calculate();
    if (TcxGridBandViewInfo* info = BandViewInfoOf(this)) {
      const Integer preferred = info->GetHeaderViewInfo()->GetPreferredWidth();
      if (info->GetContentWidth() < preferred) ForceWidth(preferred);
    }
  }
  if (view->Controller()) view->Controller()->NotifyDesignerModified();
}

void TcxGridBandedColumn::FreezeAutoWidths() {
  TcxGridBandedTableView* view = GridView();
  TcxGridBand* band = position_->Band();
  if (!view || !band || view->IsUpdateLocked()) return;
  auto* info = dynamic_cast<TcxGridBandedTableViewInfo*>(view->ViewInfo());
  if (!info || !info->HeaderViewInfo()) return;
  TcxGridBandedHeaderViewInfo* header = info->GetHeaderViewInfo();
  if (header->GetItemViewInfoCount() != view->GetVisibleColumnCount()) return;
  auto freezeRow = [header](TcxGridBandRow* row) {
    for (Integer i = 0; i < row->VisibleCount(); ++i) {
      TcxGridBandedColumn* c = row->VisibleItems(i);
      if (TcxGridBandedColumnHeaderViewInfo* h = header->ColumnHeader(c->VisibleIndex()))
        c->SetWidth(h->CalculateWidth() - header->GetColumnIndent(c));
    }
  };
  std::function<void(TcxGridBand*)> freezeBand = [&](TcxGridBand* b) {
    for (Integer r = 0; r < b->Rows()->VisibleCount(); ++r) freezeRow(b->Rows()->VisibleItems(r));
    for (Integer i = 0; i < b->GetVisibleChildBandCount(); ++i) freezeBand(b->GetVisibleChildBand(i));
  };
  view->BeginUpdate();
  Finally end{[view] { view->EndUpdate(); }};
  if (band->Width() != 0) {
    freezeRow(position_->GetRow());
    return;
  }
  if (TcxGridBand* owner = band->GetWidthOwner()) {
    freezeBand(owner);
    return;
  }
  TcxGridBandRow* row = position_->GetRow();
  if (!row) return;
  if (band->Rows()->VisibleCount() < 2 || row->Width() >= band->Rows()->Width()) {
    if (view->GetOptionsView()->ColumnAutoWidth())
      for (Integer i = 0; i < view->GetVisibleColumnCount(); ++i) freezeRow(view->GetVisibleColumn(i)->Position()->GetRow());
    return;
  }
  freezeRow(row);
}

bool TcxGridBandedColumn::CanCellMerging() {
  TcxGridBandedTableView* view = GridView();
  auto* info = view ? dynamic_cast<TcxGridBandedTableViewInfo*>(view->ViewInfo()) : nullptr;
  const Integer lines = info && info->HeaderViewInfo() ? info->GetHeaderViewInfo()->GetLineCount() : 1;
  return TcxGridColumn::CanCellMerging() && position_->LineCount() == lines;
}

// ---- view class getters -----------------------------------------------------------------------------------

TClass TcxGridBandedTableView::GetControllerClass() { return TcxGridBandedTableController::StaticClass(); }
TClass TcxGridBandedTableView::GetPainterClass() { return TcxGridBandedTablePainter::StaticClass(); }
TClass TcxGridBandedTableView::GetViewInfoClass() { return TcxGridBandedTableViewInfo::StaticClass(); }

TcxGridBandedTableController* TcxGridBandedTableView::GetController() const {
  return static_cast<TcxGridBandedTableController*>(Controller());
}

TcxGridBandedTableViewInfo* TcxGridBandedTableView::GetViewInfo() const {
  return static_cast<TcxGridBandedTableViewInfo*>(ViewInfo());
}

bool TcxGridBandedTableView::IsControlFocused() {
  if (TcxGridTableView::IsControlFocused()) return true;
  TcxGridBandedTableController* controller = BandedController(this);
  return controller && controller->HasBandsCustomizationPopup() && controller->IsBandsPopupVisible();
}

bool TcxGridBandedTableView::CanOffsetHorz() { return TcxGridTableView::CanOffsetHorz() && bands_->GetFixedKinds() == 0; }

// ---- the controller -------------------------------------------------------------------------------------

TcxGridBandedTableView* TcxGridBandedTableController::GridBandedView() const {
  return static_cast<TcxGridBandedTableView*>(GridView());
}

void TcxGridBandedTableController::SetPressedBand(TcxGridBand* band) {
  if (pressedBand_ == band) return;
  auto invalidate = [this](TcxGridBand* b) {
    if (!b) return;
    if (TcxGridBandViewInfo* info = BandViewInfoOf(b)) GridView()->QueueRepaint(info->GetHeaderViewInfo()->Bounds);
  };
  invalidate(pressedBand_);
  pressedBand_ = band;
  invalidate(pressedBand_);
}

void TcxGridBandedTableController::CancelMode() {
  TcxGridTableController::CancelMode();
  SetPressedBand(nullptr);
}

void TcxGridBandedTableController::EndDragAndDrop(bool accepted) {
  SetPressedBand(nullptr);
  TcxGridTableController::EndDragAndDrop(accepted);
}

void TcxGridBandedTableController::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxGridTableController::MouseUp(button, shift, x, y);
  SetPressedBand(nullptr);
}

bool TcxGridBandedTableController::IsColumnLeftOfSizing(const TcxGridColumn* column) const {
  auto* sizing = dynamic_cast<TcxGridBandedColumn*>(SizingColumn);
  auto* c = dynamic_cast<const TcxGridBandedColumn*>(column);
  if (!sizing || !c) return false;
  if (c == sizing) return true;
  TcxGridBandRow* row = sizing->Position()->GetRow();
  if (!row || row->VisibleCount() == 0 || row->VisibleItems(row->VisibleCount() - 1) == sizing) return false;
  const Integer index = row->VisibleIndexOf(c);
  return index != -1 && index < row->VisibleIndexOf(sizing);
}

bool TcxGridBandedTableController::IsBandLeftOfForcingWidth(const TcxGridBand* band) const {
  TcxGridBand* forcing = ForcingWidthBand;
  if (!forcing || !band) return false;
  if (band == forcing) return true;
  if (forcing->IsLastVisibleSibling() || band->ParentBand() != forcing->ParentBand()) return false;
  return band->Position()->VisibleColIndex() < forcing->Position()->VisibleColIndex();
}

bool TcxGridBandedTableController::IsCellMultiSelect() const {
  if (!TcxGridTableController::IsCellMultiSelect()) return false;
  // Cell ranges need one band row: with more, the columns are not one line.
  return GridBandedView()->Bands()->GetMaxRowCount() <= 1;
}

void TcxGridBandedTableController::LeftPosChanged() {
  TcxGridBandedTableView* view = GridBandedView();
  if (view->Preview()->Active() && view->Preview()->AutoHeight() && view->Bands()->GetFixedKinds() != 0)
    view->QueueSizeChange(false, false);
  else
    TcxGridTableController::LeftPosChanged();
}

void TcxGridBandedTableController::GetColumnsInReadingOrder(TcxGridBandedColumn* start, bool forward,
                                                            std::vector<TcxGridBandedColumn*>& list) {
  list.clear();
  if (start && !start->GetActuallyVisible()) return;
  TcxGridBands* bands = GridBandedView()->Bands();
  const Integer bottomCount = bands->GetBottomBandCount();
  // The walk: the current band (bottom index), visible row r, line l and column c.
  struct State {
    Integer band = -1, row = -1, line = 0, col = -1;
    bool wrapped = false;
  };
  auto rowsOf = [bands](Integer b) { return bands->GetBottomBand(b)->Rows(); };
  auto firstWithRows = [&](bool fwd) {
    TcxGridBand* b = fwd ? bands->GetFirstBandWithRows() : bands->GetLastBandWithRows();
    return b ? b->GetBottomIndex() : -1;
  };
  State s;
  if (start) {
    TcxGridBandedColumnPosition* p = start->Position();
    s.band = p->Band()->GetBottomIndex();
    s.row = p->GetVisibleRowIndex();
    s.line = p->GetRow()->LineOffset();
    s.col = p->GetVisibleColIndex();
  } else {
    s.band = firstWithRows(forward);
    if (s.band == -1) return;
    s.row = forward ? 0 : rowsOf(s.band)->VisibleCount() - 1;
    s.line = rowsOf(s.band)->LineOffset(s.row);
    s.col = forward ? -1 : rowsOf(s.band)->VisibleItems(s.row)->VisibleCount();
  }
  const Integer maxRows = bands->GetMaxRowCount();
  const Integer first = firstWithRows(true), last = firstWithRows(false);
  bool valid = true;  // the current band has the row s.row
  auto next = [&]() -> TcxGridBandedColumn* {
    for (Integer guard = 0; guard <= (bottomCount + 1) * (maxRows + 1); ++guard) {
      if (valid) {
        TcxGridBandRow* row = rowsOf(s.band)->VisibleItems(s.row);
        const Integer c = s.col + (forward ? 1 : -1);
        if (c >= 0 && c < row->VisibleCount()) {
          s.col = c;
          return row->VisibleItems(c);
        }
      }
      // On to another band row: the next band at the same line, or, past the last band, the
      // next band row of the first band (the previous one of the last band going back).
      if (forward ? s.band == last : s.band == first) {
        s.band = forward ? first : last;
        s.row += forward ? 1 : -1;
        s.wrapped = true;
        if (s.row < 0 || s.row >= maxRows) return nullptr;
      } else {
        s.band += forward ? 1 : -1;
      }
      if (s.band < 0 || s.band >= bottomCount) return nullptr;
      TcxGridBandRows* target = rowsOf(s.band);
      const Integer row = s.wrapped ? s.row : target->VisibleRowAtLine(s.line);
      // A band without such a row is skipped.
      valid = row >= 0 && row < target->VisibleCount();
      if (!valid) continue;
      s.row = row;
      if (!s.wrapped) s.line = target->LineOffset(row);
      s.col = forward ? -1 : target->VisibleItems(row)->VisibleCount();
    }
    return nullptr;
  };
  for (TcxGridBandedColumn* c = next(); c; c = next()) {
    if (std::find(list.begin(), list.end(), c) != list.end() || c == start) break;
    list.push_back(c);
  }
}

Integer TcxGridBandedTableController::FindNextItem(Integer index, bool forward, bool cycle, bool& cycled,
                                                    TcxCustomGridRecord* record) {
  cycled = false;
  TcxGridBandedTableView* view = GridBandedView();
  TcxGridBandedColumn* start = index >= 0 && index < view->GetVisibleColumnCount() ? view->GetVisibleColumn(index) : nullptr;
  std::vector<TcxGridBandedColumn*> list;
  for (Integer pass = 0; pass < 2; ++pass) {
    GetColumnsInReadingOrder(pass == 0 ? start : nullptr, forward, list);
    for (TcxGridBandedColumn* c : list)
      if (c->CanFocus(record)) return c->VisibleIndex();
    if (!cycle || pass == 1) break;
    cycled = true;
  }
  cycled = false;
  return -1;
}

Integer TcxGridBandedTableController::FindNextVerticalItem(Integer index, bool down, bool cycle) {
  TcxGridBandedTableView* view = GridBandedView();
  if (index < 0 || index >= view->GetVisibleColumnCount()) return -1;
  TcxGridBandedColumnPosition* p = view->GetVisibleColumn(index)->Position();
  TcxGridBand* band = p->Band();
  if (!band) return -1;
  // One column per band row: the one at the column's place, or the row's last.
  std::vector<TcxGridBandedColumn*> list;
  const Integer col = p->GetVisibleColIndex();
  for (Integer r = 0; r < band->Rows()->VisibleCount(); ++r) {
    TcxGridBandRow* row = band->Rows()->VisibleItems(r);
    if (row->VisibleCount() == 0) continue;
    list.push_back(row->VisibleItems(std::min(col, row->VisibleCount() - 1)));
  }
  auto it = std::find(list.begin(), list.end(), view->GetVisibleColumn(index));
  if (it == list.end()) return -1;
  bool cycled = false;
  TcxCustomGridRecord* record = FocusedRecord();
  const Integer found = FindNextIndex(Integer(it - list.begin()), Integer(list.size()), down, cycle,
                                      [&](Integer i) { return list[size_t(i)]->CanFocus(record); }, cycled);
  return found == -1 ? -1 : list[size_t(found)]->VisibleIndex();
}

bool TcxGridBandedTableController::FocusNextVerticalItem(Integer index, bool down, bool cycle) {
  const Integer found = FindNextVerticalItem(index, down, cycle);
  if (found == -1) return false;
  SetFocusedItem(GridBandedView()->GetVisibleColumn(found));
  return true;
}

void TcxGridBandedTableController::HandleKeyDown(Word& key, TShiftState shift) {
  const bool vertical = key == VK_UP || key == VK_DOWN;
  const bool down = key == VK_DOWN;
  auto cellFocus = [this] {
    TcxCustomGridRecord* record = FocusedRecord();
    return record && record->HasCells() && GridBandedView()->GetOptionsSelection()->CellSelect() && FocusedItem();
  };
  if (vertical && cellFocus() && FocusNextVerticalItem(FocusedItem()->VisibleIndex(), down, false)) {
    key = 0;
    return;
  }
  TcxCustomGridRecord* before = FocusedRecord();
  TcxGridViewWatch watch(GridView());
  TcxGridTableController::HandleKeyDown(key, shift);
  if (!watch.Alive() || !vertical) return;
  TcxCustomDataController* dc = DataController();
  const bool gridModeMove = dc->IsGridMode() && (down ? !dc->IsEOF() : !dc->IsBOF());
  if ((FocusedRecord() != before || gridModeMove) && cellFocus())
    // Down from the last band row lands in the first of the next record, Up in the last.
    FocusNextVerticalItem(FocusedItem()->VisibleIndex(), down, true);
}

TcxGridBandedTableController::~TcxGridBandedTableController() { FreeBandsPopup(); }

// ---- unit start ---------------------------------------------------------------------------------------------

void InitializeCxGridBandedTableView() {
  static bool done = false;
  if (done) return;
  done = true;
  InitializeCxGridTableView();
  GridRegisteredViews()->Register(TcxGridBandedTableView::StaticClass(), "Banded Table");
  RegisterClass(TcxGridBandedColumn::StaticClass());
  RegisterClass(TcxGridBandedTableViewStyleSheet::StaticClass());
  RegisterClass(TcxGridBandedTableView::StaticClass());
  RegisterGridBandedTableViewInfoPainters();
  RegisterGridBandedTableDragObjects();
}
