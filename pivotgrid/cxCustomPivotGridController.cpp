// Input of the pivot grid: the hit test, the controller (cell selection, header clicks,
// expand buttons, auto-scroll, best fit by double click, clipboard keys), hot tracking of
// field headers, hints over truncated texts, and the grid's input, cursor and scroll-bar hooks.
#include <algorithm>

#include "pivotgrid/cxCustomPivotGrid.h"
#include "pivotgrid/cxPivotGridFilterPopup.h"

// ---- hit test ----------------------------------------------------------------------------------------

void TcxPivotGridHitTest::Clear() {
  HitCodes = 0;
  HitObject = nullptr;
  HitCell = nullptr;
  ResizeObject = nullptr;
  ResizeStart = 0;
}

void TcxPivotGridHitTest::Recalculate() {
  Clear();
  if (PivotGrid->ViewInfo()) PivotGrid->ViewInfo()->GetHitTest(this);
}

TcxPivotGridGroupItem* TcxPivotGridHitTest::GroupItem() {
  auto* header = dynamic_cast<TcxPivotGridHeaderCellViewInfo*>(HitCell);
  return header && header->Data ? header->Data->GroupItem() : nullptr;
}

IcxPivotGridField* TcxPivotGridHitTest::HitField() {
  if (!HasCode(HitFieldHeader)) return nullptr;
  auto* header = dynamic_cast<TcxPivotGridFieldHeaderCellViewInfo*>(HitCell);
  return header ? header->FieldIntf() : nullptr;
}

// ---- hot tracking --------------------------------------------------------------------------------------

void TcxPivotGridHotTrackController::Update(TcxPivotGridCustomCellViewInfo* cell) {
  TcxCustomPivotGrid* grid = Controller->PivotGrid;
  const TPoint& p = grid->HitTest()->HitPoint;
  auto refresh = [&](TcxPivotGridCustomCellViewInfo* c) {
    if (c && c->UpdateHotTrackState(p)) grid->InvalidateRect(c->VisibleBounds);
  };
  if (cell != HotCell) {
    refresh(HotCell);
    HotCell = cell;
  }
  refresh(cell);
}

// ---- hints ---------------------------------------------------------------------------------------------

TcxPivotGridHintController::TcxPivotGridHintController(TcxPivotGridController* c) : Controller(c) {}

TcxPivotGridHintController::~TcxPivotGridHintController() {
  EndMouseTracking(this);
  if (HintWindow) HintWindow->Free();
}

bool TcxPivotGridHintController::NeedShowHint() {
  TcxPivotGridHitTest* ht = Controller->PivotGrid->HitTest();
  TcxPivotGridCustomCellViewInfo* cell = ht->HitCell;
  if (!cell || cell == LastHintCell) return false;
  TcxPivotGridOptionsBehavior* o = Controller->PivotGrid->OptionsBehavior();
  bool kind = (ht->HasCode(HitDataCell) && o->CellHints()) || (ht->HasCode(HitGroupHeader) && o->GroupHeaderHints()) ||
              (ht->HasCode(HitFieldHeader) && o->FieldHeaderHints());
  return kind && cell->IsTextTruncated(ht->HitPoint);
}

bool TcxPivotGridHintController::CanShowHint(TRect& cellBounds, TRect& hintBounds) {
  TcxCustomPivotGrid* grid = Controller->PivotGrid;
  TcxPivotGridCustomCellViewInfo* cell = grid->HitTest()->HitCell;
  if (!cell || !Application->Active()) return false;
  HintText = cell->DisplayText;
  if (HintText.empty() || cell == LastHintCell) return false;
  cellBounds = cell->VisibleBounds;
  TRect r = HintWindow->CalcHintRect(cxPivotGridMaxIndex, HintText);
  TPoint origin = grid->HandleAllocated() ? grid->ClientToScreen(cellBounds.TopLeft()) : cellBounds.TopLeft();
  hintBounds = RectFromPosSize(origin.X, origin.Y, r.Width(), r.Height());
  LastHintCell = cell;
  return true;
}

void TcxPivotGridHintController::CheckHintWindow() {
  TClass cls = HintWindowClass ? HintWindowClass : THintWindow::StaticClass();
  if (HintWindow && HintWindow->ClassType() == cls) return;
  if (HintWindow) HintWindow->Free();
  HintWindow = CreateHintWindow(nullptr);
  HintWindow->SetColor(Application->HintColor());
}

void TcxPivotGridHintController::ShowHint() {
  HideHint();
  CheckHintWindow();
  TRect cellBounds, hintBounds;
  if (!CanShowHint(cellBounds, hintBounds)) return;
  HintRect = cellBounds;
  if (!IsMouseTracked(this)) BeginMouseTracking(Controller->PivotGrid, HintRect, this);
  Shown = true;
  if (!HintTimer) {
    HintTimer = std::make_unique<TcxTimer>(nullptr);
    HintTimer->SetOnTimer([this](TObject* s) { TimerTick(s); });
  }
  HintTimer->SetInterval(100);
  HintTimer->SetEnabled(true);
  HintWindow->ActivateHint(hintBounds, HintText);
}

void TcxPivotGridHintController::HideHint() {
  if (HintTimer) HintTimer->SetEnabled(false);
  EndMouseTracking(this);
  HintRect = TRect(0, 0, 0, 0);
  if (HintWindow) {
    HintWindow->Free();
    HintWindow = nullptr;
  }
  Shown = false;
  LastHintCell = nullptr;
}

void TcxPivotGridHintController::CheckHint() {
  TcxPivotGridHitTest* ht = Controller->PivotGrid->HitTest();
  if (!HintRect.Contains(ht->HitPoint) || ht->HasCode(HitFilterButton) || ht->HasCode(HitExpandButton)) {
    if (Shown) HideHint();
  }
  if (NeedShowHint()) ShowHint();
}

void TcxPivotGridHintController::TimerTick(TObject*) {
  if (!Application->Active()) HideHint();
}

// ---- controller ------------------------------------------------------------------------------------------

TcxPivotGridController::TcxPivotGridController(TcxCustomPivotGrid* grid) : PivotGrid(grid) {
  HintController.reset(CreateHintController());
  HotTrackController.reset(CreateHotTrackController());
}

TcxPivotGridController::~TcxPivotGridController() = default;

TcxPivotGridFilterPopup* TcxPivotGridController::CreateFilterPopup() { return new TcxPivotGridFilterPopup(PivotGrid); }

TcxPivotGridFilterPopup* TcxPivotGridController::GetFilterPopup() {
  // Owned by the grid: freed with its components.
  if (!FilterPopup) FilterPopup = CreateFilterPopup();
  return FilterPopup;
}

void TcxPivotGridController::Clear() {
  HotTrackController->Clear();
  if (HintController->Shown) HintController->HideHint();
  HintController->ForgetCells();
}

void TcxPivotGridController::ResetCells() {
  HotTrackController->Clear();
  HintController->ForgetCells();
  if (PivotGrid->HitTest()) PivotGrid->HitTest()->Clear();
}

void TcxPivotGridController::UpdateHitTest() {
  TcxPivotGridHitTest* ht = PivotGrid->HitTest();
  if (!ht) return;
  TPoint p(0, 0);
  if (PivotGrid->HandleAllocated()) {
    QueryCursorPos(p);
    p = PivotGrid->ScreenToClient(p);
  }
  ht->SetHitPoint(p);
}

TCursor TcxPivotGridController::GetCursor(int x, int y) {
  TcxPivotGridHitTest* ht = PivotGrid->HitTest();
  ht->SetHitPoint(TPoint(x, y));
  return ht->HasCode(HitResizeEdge) ? crcxHorzSize : crDefault;
}

TcxDragAndDropObjectClass TcxPivotGridController::GetDragAndDropObjectClass() {
  TcxPivotGridHitTest* ht = PivotGrid->HitTest();
  if (ht->HasCode(HitResizeEdge))
    return [](TcxControl* c) -> TcxDragAndDropObject* { return new TcxPivotGridResizingObject(c); };
  if (ht->HasCode(HitFieldHeader))
    return [](TcxControl* c) -> TcxDragAndDropObject* { return new TcxPivotGridDragAndDropObject(c); };
  return nullptr;
}

bool TcxPivotGridController::CanStartDrag(const TPoint& p) {
  TcxPivotGridHitTest* ht = PivotGrid->HitTest();
  ht->SetHitPoint(p);
  if (ht->HasCode(HitExpandButton) || ht->HasCode(HitFilterButton)) return false;
  if (ht->HasCode(HitResizeEdge)) return true;
  IcxPivotGridField* f = ht->HitField();
  return f && f->CanMove();
}

void TcxPivotGridController::PressHeader(TShiftState shift) {
  if (!shift.Contains(ssLeft)) return;
  TcxPivotGridHitTest* ht = PivotGrid->HitTest();
  IcxPivotGridField* f = ht->HitField();
  if (!f || ht->HasCode(HitFilterButton)) return;
  if (ht->HasCode(HitExpandButton)) {
    f->ToggleGroupExpanded();
    return;
  }
  f->SetHeaderState(cxbsPressed);
  PressedField = f;
}

bool TcxPivotGridController::ProcessExpandButtonClick() {
  TcxPivotGridHitTest* ht = PivotGrid->HitTest();
  if (!ht->HasCode(HitExpandButton) || ht->HasCode(HitFieldHeader)) return false;
  TcxPivotGridGroupItem* item = ht->GroupItem();
  if (!item) return false;
  item->SetExpanded(!item->Expanded());
  return true;
}

void TcxPivotGridController::MouseDown(TMouseButton button, TShiftState shift, int, int) {
  HintController->HideHint();
  TcxPivotGridHitTest* ht = PivotGrid->HitTest();
  if (ht->HasCode(HitFieldHeader)) PressHeader(shift);
  if (button == mbLeft) {
    if (ProcessExpandButtonClick()) {
      PivotGrid->LayoutChanged();
      return;
    }
    if (ht->HasCode(HitFilterButton) && !FilterClosedOnButton && !PivotGrid->InDesignMode())
      if (auto* f = dynamic_cast<TcxPivotGridField*>(ht->HitObject)) {
        TcxPivotGridFilterPopup* popup = GetFilterPopup();
        popup->SetField(f);
        popup->Popup();
      }
  }
  FilterClosedOnButton = false;
  SelectingCells = button == mbLeft && ht->HasCode(HitDataCell);
  if (ht->HasCode(HitDataCell)) {
    auto* cell = static_cast<TcxPivotGridDataCellViewInfo*>(ht->HitCell);
    TShiftState s = shift;
    s.Exclude(ssLeft);
    SelectCell(cell->ColumnIndex, cell->RowIndex, s);
  }
}

void TcxPivotGridController::MouseMove(TShiftState shift, int x, int y) {
  if (PivotGrid->DragPhase() == dphActive) return;
  TcxPivotGridHitTest* ht = PivotGrid->HitTest();
  HotTrackController->Update(ht->HitCell);
  if (shift.Contains(ssLeft) && SelectingCells) {
    if (ht->HasCode(HitDataCell)) {
      auto* cell = static_cast<TcxPivotGridDataCellViewInfo*>(ht->HitCell);
      SelectCell(cell->ColumnIndex, cell->RowIndex, shift);
    }
    CheckAutoScroll(x, y);
  }
  if (shift.Contains(ssLeft) || shift.Contains(ssMiddle)) HintController->HideHint();
  else HintController->CheckHint();
}

void TcxPivotGridController::MouseUp(TMouseButton, TShiftState, int, int) {
  SelectingCells = false;
  TcxPivotGridHitTest* ht = PivotGrid->HitTest();
  IcxPivotGridField* pressed = PressedField;
  PressedField = nullptr;
  if (pressed && !ht->HasCode(HitFilterButton) && !FilterClosedOnButton) pressed->HeaderClick();
  TcxPivotGridViewInfo* vi = PivotGrid->ViewInfo();
  for (int i = 0; i < vi->FieldHeaders.Count(); ++i) {
    auto* h = static_cast<TcxPivotGridFieldHeaderCellViewInfo*>(vi->FieldHeaders[i]);
    if (h->State == cxbsPressed)
      if (IcxPivotGridField* f = h->FieldIntf()) f->SetHeaderState(cxbsNormal);
  }
  if (ScrollTimer) ScrollTimer->SetEnabled(false);
  HintController->CheckHint();
}

void TcxPivotGridController::MouseLeave() {
  UpdateHitTest();
  HotTrackController->Update(PivotGrid->HitTest()->HitCell);
}

void TcxPivotGridController::DblClick() {
  UpdateHitTest();
  TcxPivotGridHitTest* ht = PivotGrid->HitTest();
  if (ht->HasCode(HitResizeEdge) && ht->ResizeObject && ht->ResizeObject->CanResize()) ht->ResizeObject->ApplyBestFit();
}

void TcxPivotGridController::SelectCell(int column, int row, TShiftState shift) {
  TcxPivotGridViewData* vd = PivotGrid->ViewData();
  const TRect& anchor = vd->Selection();
  TRect r(column, row, anchor.Right, anchor.Bottom);
  if (!shift.Contains(ssShift) && !shift.Contains(ssLeft)) {
    r.Right = column;
    r.Bottom = row;
  }
  auto clamp = [](long long v, int count) { return int(std::max(0LL, std::min(v, (long long)count - 1))); };
  r.Left = clamp(r.Left, vd->ColumnCount());
  r.Top = clamp(r.Top, vd->RowCount());
  vd->SetSelection(r);
}

void TcxPivotGridController::MoveFocus(int dx, int dy, TShiftState shift) {
  const TRect& s = PivotGrid->ViewData()->Selection();
  SelectCell(int(std::clamp((long long)s.Left + dx, -(long long)cxPivotGridMaxIndex, (long long)cxPivotGridMaxIndex)),
             int(std::clamp((long long)s.Top + dy, -(long long)cxPivotGridMaxIndex, (long long)cxPivotGridMaxIndex)),
             shift);
}

void TcxPivotGridController::KeyDown(Word& key, TShiftState shift) {
  TcxPivotGridViewData* vd = PivotGrid->ViewData();
  const TRect s = vd->Selection();
  bool ctrl = shift.Contains(ssCtrl);
  switch (key) {
    case VK_PRIOR:
      vd->PageRows(false);
      MoveFocus(0, -vd->VisibleRowCount, shift);
      break;
    case VK_NEXT:
      vd->PageRows(true);
      MoveFocus(0, vd->VisibleRowCount, shift);
      break;
    case VK_HOME:
      if (ctrl) SelectCell(-cxPivotGridMaxIndex, -cxPivotGridMaxIndex, shift);
      else SelectCell(-cxPivotGridMaxIndex, s.Top, shift);
      break;
    case VK_END:
      if (ctrl) SelectCell(cxPivotGridMaxIndex, cxPivotGridMaxIndex, shift);
      else SelectCell(cxPivotGridMaxIndex, s.Top, shift);
      break;
    case VK_LEFT: MoveFocus(-1, 0, shift); break;
    case VK_RIGHT: MoveFocus(1, 0, shift); break;
    case VK_UP: MoveFocus(0, -1, shift); break;
    case VK_DOWN: MoveFocus(0, 1, shift); break;
    case VK_INSERT:
      if (ctrl) PivotGrid->CopyToClipboard(false);
      return;
    default: return;
  }
  vd->MakeSelectionVisible();
}

void TcxPivotGridController::KeyPress(char32_t& key) {
  if (key == 1) {
    PivotGrid->ViewData()->SetSelection(TRect(0, 0, cxPivotGridMaxIndex, cxPivotGridMaxIndex));
    key = 0;
  } else if (key == 3) {
    PivotGrid->CopyToClipboard(false);
    key = 0;
  } else if (key == 13) {
    key = 0;
  }
}

void TcxPivotGridController::CheckAutoScroll(int x, int y) {
  TRect inner = GrowRect(PivotGrid->ViewInfo()->DataBounds, -10, -10);
  if (inner.Contains(TPoint(x, y)) || !SelectingCells) {
    if (ScrollTimer) ScrollTimer->SetEnabled(false);
    return;
  }
  if (!ScrollTimer) {
    ScrollTimer = std::make_unique<TcxTimer>(nullptr);
    ScrollTimer->SetEnabled(false);
    ScrollTimer->SetOnTimer([this](TObject* s) { ScrollTimerTick(s); });
    ScrollTimer->SetInterval(50);
  }
  if (!ScrollTimer->Enabled()) ScrollTimer->SetEnabled(true);
}

void TcxPivotGridController::ScrollTimerTick(TObject*) {
  if (!SelectingCells) {
    ScrollTimer->SetEnabled(false);
    return;
  }
  TPoint p;
  QueryCursorPos(p);
  if (PivotGrid->HandleAllocated()) p = PivotGrid->ScreenToClient(p);
  TRect inner = GrowRect(PivotGrid->ViewInfo()->DataBounds, -10, -10);
  int dx = p.X < inner.Left ? -1 : p.X >= inner.Right ? 1 : 0;
  int dy = p.Y < inner.Top ? -1 : p.Y >= inner.Bottom ? 1 : 0;
  MoveFocus(dx, dy, TShiftState{ssLeft});
  if (dx != 0 || dy != 0) PivotGrid->ViewData()->MakeSelectionVisible();
}

// ---- the grid's input hooks --------------------------------------------------------------------------------

void TcxCustomPivotGrid::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxObjectLinkGuard link(this);
  hitTest_->SetHitPoint(TPoint(x, y));
  controller_->MouseDown(button, shift, x, y);
  if (!link.Alive()) return;
  TcxControl::MouseDown(button, shift, x, y);
}

void TcxCustomPivotGrid::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxObjectLinkGuard link(this);
  hitTest_->SetHitPoint(TPoint(x, y));
  controller_->MouseMove(shift, x, y);
  if (!link.Alive()) return;
  TcxControl::MouseMove(shift, x, y);
}

void TcxCustomPivotGrid::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxObjectLinkGuard link(this);
  hitTest_->SetHitPoint(TPoint(x, y));
  controller_->MouseUp(button, shift, x, y);
  if (!link.Alive()) return;
  TcxControl::MouseUp(button, shift, x, y);
}

void TcxCustomPivotGrid::KeyDown(Word& key, TShiftState shift) {
  TcxObjectLinkGuard link(this);
  controller_->KeyDown(key, shift);
  if (!link.Alive()) return;
  TcxControl::KeyDown(key, shift);
}

void TcxCustomPivotGrid::KeyPress(char32_t& key) {
  TcxObjectLinkGuard link(this);
  controller_->KeyPress(key);
  if (!link.Alive()) return;
  TcxControl::KeyPress(key);
}

void TcxCustomPivotGrid::DblClick() {
  TcxObjectLinkGuard link(this);
  controller_->DblClick();
  if (!link.Alive()) return;
  TcxControl::DblClick();
}

void TcxCustomPivotGrid::CMMouseLeave(TMessage& m) {
  TcxObjectLinkGuard link(this);
  TcxControl::CMMouseLeave(m);
  if (!link.Alive() || !controller_) return;
  controller_->MouseLeave();
}

TCursor TcxCustomPivotGrid::GetCursorAt(Integer x, Integer y) {
  if (InDesignMode() || IsLocked()) return TcxControl::GetCursorAt(x, y);
  TCursor c = controller_->GetCursor(x, y);
  return c != crDefault ? c : TcxControl::GetCursorAt(x, y);
}

TcxDragAndDropObjectClass TcxCustomPivotGrid::DragObjectClass() {
  if (TcxDragAndDropObjectClass cls = controller_->GetDragAndDropObjectClass()) return cls;
  return TcxControl::DragObjectClass();
}

bool TcxCustomPivotGrid::CanStartDragAndDrop(const TPoint& p) { return !IsLocked() && controller_->CanStartDrag(p); }

void TcxCustomPivotGrid::NotifyFocusChanged() {
  TcxControl::NotifyFocusChanged();
  if (!IsLocked() && viewInfo_) viewInfo_->UpdateSelection();
}

void TcxCustomPivotGrid::HandleFontChange() {
  TcxControl::HandleFontChange();
  LayoutChanged();
}

void TcxCustomPivotGrid::HandleBoundsChange() {
  if (subClassesCreated_ && !IsLocked()) LayoutChanged();
  else TcxControl::HandleBoundsChange();
}

void TcxCustomPivotGrid::LookAndFeelUpdated(TcxLookAndFeel*, const TcxLookAndFeelValues&) {
  if (subClassesCreated_) LayoutChanged();
}

void TcxCustomPivotGrid::InvalidateRect(const TRect& r) { InvalidateControlRect(this, r, false); }

// ---- scroll bars --------------------------------------------------------------------------------------------

void TcxCustomPivotGrid::ComputeScrollBarData() {
  if (!viewData_) return;
  StoreScrollBarParams(sbHorizontal, 0, std::max(0, viewData_->ColumnCount() - 1), 1, viewData_->VisibleColumnCount,
                       viewData_->LeftColumn(), true, true);
  StoreScrollBarParams(sbVertical, 0, std::max(0, viewData_->RowCount() - 1), 1, viewData_->VisibleRowCount,
                       viewData_->TopRow(), true, true);
}

void TcxCustomPivotGrid::PanScroll(TScrollBarKind kind, TScrollCode code, Integer& position) {
  if (code == scEndScroll || IsLocked()) return;
  if (code == scTrack) code = scPosition;
  int p = position;
  bool changed = kind == sbHorizontal ? viewData_->ScrollColumns(code, p) : viewData_->ScrollRows(code, p);
  position = p;
  if (changed) Invalidate();
}
