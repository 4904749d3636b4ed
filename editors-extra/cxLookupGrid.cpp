#include "editors-extra/cxLookupGrid.h"

#include <algorithm>

#include "data/cxCustomDataInternal.h"

#include "user/Windows.h"

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxLookupGridColumn) {}
KORVAN_IMPLEMENT_CLASS(TcxLookupGridColumns)
KORVAN_IMPLEMENT_CLASS(TcxLookupGridOptions)
KORVAN_IMPLEMENT_CLASS(TcxLookupGridDataController)
KORVAN_IMPLEMENT_CLASS(TcxCustomLookupGrid)
KORVAN_IMPLEMENT_CLASS(TcxLookupGrid)

namespace {
// The screen cursor position of the last mouse move any lookup grid saw.
TPoint gMousePosition(-1, -1);

TPoint CursorPoint() {
  TPoint p;
  QueryCursorPos(p);
  return p;
}
}  // namespace

// ---- column ---------------------------------------------------------------------------------

TcxLookupGridColumn::TcxLookupGridColumn(TCollection* collection) : TCollectionItem(collection) {}

TcxLookupGridColumn::~TcxLookupGridColumn() { repositoryItem_ = nullptr; }

TcxCustomLookupGrid* TcxLookupGridColumn::Grid() const {
  auto* columns = dynamic_cast<TcxLookupGridColumns*>(Collection());
  return columns ? columns->Grid() : nullptr;
}

void TcxLookupGridColumn::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TcxLookupGridColumn*>(source);
  if (!src) {
    TCollectionItem::Assign(source);
    return;
  }
  TCollection* collection = Collection();
  if (collection) collection->BeginUpdate();
  cxdata_internal::Finally end{[collection] {
    if (collection) collection->EndUpdate();
  }};
  ResetColumnDefaults();
  if (src->captionAssigned_) SetCaption(src->caption_);
  SetHeaderAlignment(src->headerAlignment_);
  SetMinWidth(src->minWidth_);
  SetFixed(src->fixed_);
  SetSorting(src->sorting_);
  SetSortOrder(src->SortOrder());
  SetRepositoryItem(src->repositoryItem_);
  if (src->widthAssigned_) SetWidth(src->width_);
}

void TcxLookupGridColumn::SetIndex(Integer value) {
  TCollectionItem::SetIndex(value);
  if (Grid()) Grid()->DataController()->UpdateItemIndexes();
}

void TcxLookupGridColumn::SetCaption(const String& v) {
  captionAssigned_ = true;
  if (caption_ == v) return;
  caption_ = v;
  ReportChanged();
}

void TcxLookupGridColumn::SetFixed(bool v) {
  if (fixed_ == v) return;
  fixed_ = v;
  ReportChanged();
}

void TcxLookupGridColumn::SetHeaderAlignment(TAlignment v) {
  if (headerAlignment_ == v) return;
  headerAlignment_ = v;
  ReportChanged();
}

void TcxLookupGridColumn::SetMinWidth(Integer v) {
  if (v < 0) v = 0;
  if (minWidth_ == v) return;
  minWidth_ = v;
  if (widthAssigned_ && width_ < v) width_ = v;
  ReportChanged();
}

TcxDataSortOrder TcxLookupGridColumn::SortOrder() const {
  return Grid() ? Grid()->DataController()->ItemSortOrder(Index()) : soNone;
}

void TcxLookupGridColumn::SetSortOrder(TcxDataSortOrder v) {
  if (Grid()) Grid()->DataController()->ChangeItemSortOrder(Index(), v);
}

void TcxLookupGridColumn::SetRepositoryItem(TcxEditRepositoryItem* v) {
  if (repositoryItem_ == v) return;
  repositoryItem_ = v;
  ReportChanged();
}

void TcxLookupGridColumn::SetWidth(Integer v) {
  v = CheckWidth(v);
  widthAssigned_ = true;
  if (width_ == v) return;
  width_ = v;
  ReportChanged();
}

bool TcxLookupGridColumn::IsLastColumn() const { return Collection() && Index() == Collection()->Count() - 1; }

void TcxLookupGridColumn::ResetColumnDefaults() {
  captionAssigned_ = false;
  widthAssigned_ = false;
  headerAlignment_ = taLeftJustify;
  minWidth_ = 20;
  fixed_ = false;
  sorting_ = true;
  ReportChanged();
}

// ---- columns --------------------------------------------------------------------------------

TcxLookupGridColumns::TcxLookupGridColumns(TcxCustomLookupGrid* grid, TCollectionItemClass itemClass)
    : TOwnedCollection(grid, itemClass), grid_(grid) {}

TcxLookupGridColumns::~TcxLookupGridColumns() { Clear(); }

void TcxLookupGridColumns::BeginUpdate() {
  TOwnedCollection::BeginUpdate();
  if (!grid_->Destroying()) grid_->BeginUpdate();
}

void TcxLookupGridColumns::EndUpdate() {
  if (!grid_->Destroying()) grid_->EndUpdate();
  TOwnedCollection::EndUpdate();
}

void TcxLookupGridColumns::ResetColumnDefaults() {
  BeginUpdate();
  cxdata_internal::Finally end{[this] { EndUpdate(); }};
  for (Integer i = 0; i < Count(); ++i) Column(i)->ResetColumnDefaults();
}

void TcxLookupGridColumns::Update(TCollectionItem*) {
  if (!grid_->ComponentState().Contains(csLoading)) grid_->Changed(1);
}

void TcxLookupGridColumns::Notify(TCollectionItem* item, TCollectionNotification action) {
  TOwnedCollection::Notify(item, action);
  auto* column = static_cast<TcxLookupGridColumn*>(item);
  if (action == cnAdded) grid_->ColumnAdded(column);
  else if (action == cnDeleting) grid_->ColumnRemoved(column);
}

// ---- options --------------------------------------------------------------------------------

void TcxLookupGridOptions::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TcxLookupGridOptions*>(source);
  if (!src) {
    TPersistent::Assign(source);
    return;
  }
  // A change handler that raises must not leave the grid locked.
  grid_->BeginUpdate();
  cxdata_internal::Finally end{[this] { grid_->EndUpdate(); }};
  SetAnsiSort(src->AnsiSort());
  SetCaseInsensitive(src->CaseInsensitive());
  columnSorting_ = src->columnSorting_;
  focusRowOnMouseMove_ = src->focusRowOnMouseMove_;
  SetGridLines(src->gridLines_);
  SetRowSelect(src->rowSelect_);
  SetShowHeader(src->showHeader_);
}

bool TcxLookupGridOptions::AnsiSort() const {
  return grid_ && grid_->DataController() && grid_->DataController()->GetOptions().Contains(dcoAnsiSort);
}

bool TcxLookupGridOptions::CaseInsensitive() const {
  return grid_ && grid_->DataController() && grid_->DataController()->GetOptions().Contains(dcoCaseInsensitive);
}

void TcxLookupGridOptions::SetControllerOption(TcxDataControllerOption option, bool v) {
  if (!grid_ || !grid_->DataController()) return;
  TcxDataControllerOptions o = grid_->DataController()->GetOptions();
  if (v) o.Include(option);
  else o.Exclude(option);
  grid_->DataController()->SetOptions(o);
}

void TcxLookupGridOptions::SetAnsiSort(bool v) { SetControllerOption(dcoAnsiSort, v); }
void TcxLookupGridOptions::SetCaseInsensitive(bool v) { SetControllerOption(dcoCaseInsensitive, v); }

void TcxLookupGridOptions::SetGridLines(TcxGridLines v) {
  if (gridLines_ == v) return;
  gridLines_ = v;
  OptionsChanged();
}

void TcxLookupGridOptions::SetRowSelect(bool v) {
  if (rowSelect_ == v) return;
  rowSelect_ = v;
  if (v) grid_->SetFocusedColumnIndex(-1);
}

void TcxLookupGridOptions::SetShowHeader(bool v) {
  if (showHeader_ == v) return;
  showHeader_ = v;
  OptionsChanged();
}

void TcxLookupGridOptions::OptionsChanged() {
  grid_->Changed(1);
  if (OnChanged) OnChanged(this);
}

TObject* TcxLookupGridDataController::GetItem(int index) {
  auto* grid = dynamic_cast<TcxCustomLookupGrid*>(Owner());
  if (grid && index >= 0 && index < grid->Columns()->Count()) return grid->Columns()->Column(index);
  return TcxCustomDataController::GetItem(index);
}

// ---- view info ------------------------------------------------------------------------------

TFont* TcxLookupGridViewInfo::GetContentFont() { return grid_->Font(); }
TColor TcxLookupGridViewInfo::GetContentColor() { return grid_->Color(); }
TColor TcxLookupGridViewInfo::GetContentTextColor() { return grid_->Font()->Color(); }
TFont* TcxLookupGridViewInfo::GetHeaderFont() { return grid_->Font(); }
TColor TcxLookupGridViewInfo::GetHeaderColor() { return grid_->Painter()->LFPainter()->HeaderColor(); }
TColor TcxLookupGridViewInfo::GetHeaderTextColor() { return grid_->Painter()->LFPainter()->HeaderTextColor(); }
TColor TcxLookupGridViewInfo::GetSelectionColor() { return grid_->Painter()->LFPainter()->SelectionColor(); }
TColor TcxLookupGridViewInfo::GetSelectionTextColor() { return grid_->Painter()->LFPainter()->SelectionTextColor(); }

Integer TcxLookupGridViewInfo::GetHeaderHeight() {
  TcxScreenCanvas canvas;
  return grid_->Painter()->LFPainter()->HeaderHeightForText(canvas.MeasureFontHeight(GetHeaderFont()));
}

Integer TcxLookupGridViewInfo::CalcRowHeight() {
  // Cells show one line of text in the content font, with a pixel of room on every side.
  TcxScreenCanvas canvas;
  return canvas.MeasureFontHeight(GetContentFont()) + 2 + 2;
}

void TcxLookupGridViewInfo::Calculate() {
  frameWidth_ = grid_->FrameWidth();
  TRect r = grid_->ClientRect();
  ContentBounds = TRect(r.Left + frameWidth_, r.Top + frameWidth_, r.Right - frameWidth_, r.Bottom - frameWidth_);
  if (ContentBounds.Right < ContentBounds.Left) ContentBounds.Right = ContentBounds.Left;
  if (ContentBounds.Bottom < ContentBounds.Top) ContentBounds.Bottom = ContentBounds.Top;
  rowHeight_ = CalcRowHeight();
  LayoutHeaderArea();
  LayoutRows();
  LayoutEmptyAreas();
}

void TcxLookupGridViewInfo::LayoutHeaderArea() {
  Columns.clear();
  HeaderArea = TRect();
  if (grid_->Columns()->Count() == 0) return;
  HeaderArea = ContentBounds;
  HeaderArea.Bottom = HeaderArea.Top + (grid_->Options()->ShowHeader() ? GetHeaderHeight() : 0);
  LayoutColumnHeaders();
}

void TcxLookupGridViewInfo::LayoutColumnHeaders() {
  auto* painter = grid_->Painter()->LFPainter();
  TcxLookupGridColumns* columns = grid_->Columns();
  TcxAutoWidthObject widths(columns->Count());
  widths.AvailableSpace = HeaderArea.Width();
  for (Integer i = 0; i < columns->Count(); ++i) {
    TcxLookupGridColumn* c = columns->Column(i);
    TcxAutoWidthItem* item = widths.AppendItem();
    item->MinimumWidth = c->MinWidth();
    item->BaseWidth = c->Width();
    item->KeepWidth = c->Fixed();
  }
  widths.Distribute();
  Integer x = HeaderArea.Left;
  for (Integer i = 0; i < columns->Count(); ++i) {
    TcxLookupGridColumn* c = columns->Column(i);
    TcxLookupGridColumnViewInfo v;
    v.Alignment = c->HeaderAlignment();
    if (!c->IsFirstColumn()) v.Neighbors.Include(nLeft);
    if (!c->IsLastColumn()) v.Neighbors.Include(nRight);
    v.Borders = painter->HeaderFrameSides(v.Neighbors);
    v.SortOrder = c->SortOrder();
    v.Caption = c->Caption();
    v.Bounds = TRect(x, HeaderArea.Top, x + widths.ItemAt(i)->ResultWidth, HeaderArea.Bottom);
    x = v.Bounds.Right;
    v.TextBounds = painter->HeaderTextBounds(v.Bounds, v.Borders);
    Columns.push_back(v);
  }
  if (x < HeaderArea.Right) HeaderArea.Right = x;
}

void TcxLookupGridViewInfo::LayoutRows() {
  Rows.clear();
  RowsArea = TRect();
  VisibleRowsArea = TRect();
  VisibleRowCount = 0;
  ShownRowCount = 0;
  if (HeaderArea.Width() < 1) return;
  RowsArea = TRect(HeaderArea.Left, HeaderArea.Bottom, HeaderArea.Right, HeaderArea.Bottom);
  VisibleRowsArea = RowsArea;
  const int rowCount = grid_->RowCount();
  if (mode_ == trmBackward) {
    // Counts the rows that fit when the last one is the internal top index.
    Integer top = RowsArea.Top;
    for (int i = internalTop_; i >= 0; --i) {
      const Integer h = rowHeight_ + (grid_->Options()->GridLines() == glBoth || grid_->Options()->GridLines() == glHorizontal ? GetGridLineWidth() : 0);
      top += h;
      if (top > ContentBounds.Bottom) break;
      ++VisibleRowCount;
    }
    return;
  }
  Integer top = RowsArea.Top;
  for (int i = mode_ == trmForward ? internalTop_ : grid_->TopRowIndex(); i >= 0 && i < rowCount; ++i) {
    const Integer bottom = LayoutRow(i, top);
    ++ShownRowCount;
    RowsArea.Bottom = bottom;
    if (bottom > ContentBounds.Bottom) break;
    ++VisibleRowCount;
    VisibleRowsArea.Bottom = bottom;
    top = bottom;
  }
  if (ShownRowCount > 0 && VisibleRowCount == 0) VisibleRowCount = 1;
}

Integer TcxLookupGridViewInfo::LayoutRow(int index, Integer top) {
  const TcxGridLines lines = grid_->Options()->GridLines();
  const Integer lineWidth = GetGridLineWidth();
  TcxLookupGridRowViewInfo row;
  row.RowIndex = index;
  row.Bounds = TRect(RowsArea.Left, top, RowsArea.Right, top + rowHeight_);
  row.ContentBounds = row.Bounds;
  for (size_t c = 0; c < Columns.size(); ++c) {
    TcxLookupGridCellViewInfo cell;
    cell.ColumnIndex = int(c);
    cell.Bounds = TRect(Columns[c].Bounds.Left, row.Bounds.Top, Columns[c].Bounds.Right, row.Bounds.Bottom);
    cell.ContentBounds = cell.Bounds;
    const bool last = c + 1 == Columns.size();
    if ((!last && (lines == glBoth || lines == glVertical)) || (last && lines != glNone)) {
      cell.ContentBounds.Right -= lineWidth;
      cell.Borders.Include(bRight);
      if (last) {
        row.ContentBounds.Right -= lineWidth;
        row.Borders.Include(bRight);
      }
    }
    row.Cells.push_back(cell);
  }
  const bool lastRowNotAtBottom = index == grid_->RowCount() - 1 && row.Bounds.Bottom != ContentBounds.Bottom;
  if (lines == glBoth || lines == glHorizontal || (lines == glVertical && lastRowNotAtBottom)) {
    row.Bounds.Bottom += lineWidth;
    row.Borders.Include(bBottom);
  }
  CalculateRowContents(row);
  Rows.push_back(std::move(row));
  return Rows.back().Bounds.Bottom;
}

void TcxLookupGridViewInfo::CalculateRowContents(TcxLookupGridRowViewInfo& row) {
  TcxCustomDataController* dc = grid_->DataController();
  row.RecordIndex = dc->RowInfoAt(row.RowIndex).RecordIndex;
  row.Focused = row.RowIndex == dc->FocusedRowIndex();
  const bool selected = dc->IsRowSelected(row.RowIndex);
  TcxLookupGridColumn* focusedColumn = grid_->FocusedColumn();
  for (TcxLookupGridCellViewInfo& cell : row.Cells) {
    cell.Focused = focusedColumn && focusedColumn->Index() == cell.ColumnIndex;
    if (selected && row.Focused && !cell.Focused) {
      cell.Color = GetSelectionColor();
      cell.TextColor = GetSelectionTextColor();
    } else {
      cell.Color = GetContentColor();
      cell.TextColor = GetContentTextColor();
    }
    cell.Text = row.RecordIndex >= 0 ? dc->GetDisplayText(row.RecordIndex, cell.ColumnIndex) : String();
  }
}

void TcxLookupGridViewInfo::LayoutEmptyAreas() {
  RightEmptyArea = TRect();
  BottomEmptyArea = TRect();
  const Integer right = HeaderArea.IsEmpty() && Columns.empty() ? ContentBounds.Left : HeaderArea.Right;
  if (right < ContentBounds.Right)
    RightEmptyArea = TRect(right, ContentBounds.Top, ContentBounds.Right, ContentBounds.Bottom);
  const Integer bottom = Columns.empty() ? ContentBounds.Top : RowsArea.Bottom;
  if (bottom < ContentBounds.Bottom)
    BottomEmptyArea = TRect(ContentBounds.Left, bottom, std::min(right, ContentBounds.Right), ContentBounds.Bottom);
}

int TcxLookupGridViewInfo::FindTopRowIndex(int value) {
  const int rowCount = grid_->RowCount();
  mode_ = trmForward;
  internalTop_ = value;
  Calculate();
  if (!BottomEmptyArea.IsEmpty() && rowCount > 0) {
    const int end = std::min(value + std::max(VisibleRowCount, 1) - 1, rowCount - 1);
    mode_ = trmBackward;
    internalTop_ = end;
    Calculate();
    value = std::max(0, end - VisibleRowCount + 1);
  }
  mode_ = trmNone;
  return value;
}

// ---- painter --------------------------------------------------------------------------------

TcxCustomLookAndFeelPainterClass TcxLookupGridPainter::LFPainter() const {
  return lfPainter_ ? lfPainter_ : grid_->LookAndFeel()->EffectivePainter();
}

void TcxLookupGridPainter::Paint(TcxCanvas* canvas) {
  if (!lfPainter_) lfPainter_ = LFPainter();
  canvas_ = canvas;
  canvas_->PushDeviceState();
  PaintControlFrame();
  PaintContent();
  canvas_->PopDeviceState();
  canvas_ = nullptr;
}

void TcxLookupGridPainter::PaintControlFrame() {
  TcxLookupGridViewInfo* vi = grid_->ViewInfo();
  if (vi->FrameWidth() == 0) return;
  LFPainter()->PaintControlBorder(canvas_, grid_->ClientRect());
  canvas_->IntersectClip(vi->ContentBounds);
}

void TcxLookupGridPainter::PaintContent() {
  PaintHeaders();
  PaintEmptyAreas();
  PaintRows();
}

void TcxLookupGridPainter::PaintHeaders() {
  TcxLookupGridViewInfo* vi = grid_->ViewInfo();
  if (vi->HeaderArea.IsEmpty()) return;
  for (const TcxLookupGridColumnViewInfo& c : vi->Columns) {
    TRect text = c.TextBounds;
    InflateRect(&text, -2, -2);
    TRect mark;
    if (c.SortOrder != soNone) {
      const Integer w = LFPainter()->SortMarkAreaSize().X;
      mark = TRect(std::max(text.Left, text.Right - w), c.Bounds.Top, text.Right, c.Bounds.Bottom);
      text.Right = mark.Left;
    }
    LFPainter()->PaintHeader(canvas_, c.Bounds, text, c.Neighbors, c.Borders, cxbsNormal, c.Alignment, vaCenter,
                            false, false, c.Caption, vi->GetHeaderFont(), vi->GetHeaderTextColor(), vi->GetHeaderColor());
    if (c.SortOrder != soNone) LFPainter()->PaintSortMark(canvas_, mark, c.SortOrder == soAscending);
  }
}

void TcxLookupGridPainter::PaintEmptyAreas() {
  TcxLookupGridViewInfo* vi = grid_->ViewInfo();
  if (!vi->RightEmptyArea.IsEmpty()) canvas_->FillRectColor(vi->RightEmptyArea, grid_->Color());
  if (!vi->BottomEmptyArea.IsEmpty()) canvas_->FillRectColor(vi->BottomEmptyArea, grid_->Color());
}

void TcxLookupGridPainter::PaintRows() {
  for (const TcxLookupGridRowViewInfo& row : grid_->ViewInfo()->Rows) PaintRow(row);
}

void TcxLookupGridPainter::PaintRow(const TcxLookupGridRowViewInfo& row) {
  TcxLookupGridViewInfo* vi = grid_->ViewInfo();
  const TColor lineColor = vi->GetGridLineColor();
  const Integer lineWidth = vi->GetGridLineWidth();
  for (const TcxLookupGridCellViewInfo& cell : row.Cells) {
    TcxBorders cellLines = cell.Borders;
    if (cell.ColumnIndex + 1 == Integer(row.Cells.size())) cellLines.Exclude(bRight);  // the row's own line
    canvas_->DrawFrameSides(cell.Bounds, lineColor, lineWidth, cellLines);
    PaintCell(cell);
  }
  canvas_->DrawFrameSides(row.Bounds, lineColor, lineWidth, row.Borders);
  if (row.Focused && (grid_->Focused() || grid_->PopupMode())) canvas_->DrawFocusFrame(row.ContentBounds);
}

void TcxLookupGridPainter::PaintCell(const TcxLookupGridCellViewInfo& cell) {
  TcxLookupGridViewInfo* vi = grid_->ViewInfo();
  canvas_->FillRectColor(cell.ContentBounds, cell.Color);
  TRect text = cell.ContentBounds;
  InflateRect(&text, -2, -1);
  canvas_->ApplyFont(vi->GetContentFont());
  canvas_->CurrentFont()->SetColor(cell.TextColor);
  canvas_->Canvas()->Brush()->SetStyle(bsClear);
  canvas_->OutputText(cell.Text, text, ctfLeft | ctfVCenter | ctfSingleLine | ctfEndEllipsis);
}

// ---- grid -----------------------------------------------------------------------------------

TcxCustomLookupGrid::TcxCustomLookupGrid(TComponent* owner) : TcxControl(owner) {
  options_ = std::make_unique<TcxLookupGridOptions>(this);
  painter_ = std::make_unique<TcxLookupGridPainter>(this);
  viewInfo_ = std::make_unique<TcxLookupGridViewInfo>(this);
  CreateDataController();
  columns_ = new TcxLookupGridColumns(this, GetColumnClass());
  SetColor(clWindow);
  SetParentColor(false);
  SetWidth(250);
  SetHeight(200);
  SetWantedKeys(TcxWantedKeys{wkArrows});
}

TcxCustomLookupGrid::~TcxCustomLookupGrid() {
  SetScrollingState(0);
  destroying_ = true;
  delete columns_;
  columns_ = nullptr;
  dataController_.reset();
}

TClass TcxCustomLookupGrid::GetColumnClass() { return TcxLookupGridColumn::StaticClass(); }

void TcxCustomLookupGrid::CreateDataController() { ReplaceDataController(new TcxLookupGridDataController(this)); }

void TcxCustomLookupGrid::ReplaceDataController(TcxCustomDataController* controller) {
  dataController_.reset(controller);
  dataController_->OnUpdateControl = [this](TcxUpdateControlInfo* info) { DataControllerChanged(info); };
}

void TcxCustomLookupGrid::ReplaceColumns(TcxLookupGridColumns* columns) {
  delete columns_;
  columns_ = columns;
}

void TcxCustomLookupGrid::BeginUpdate() {
  ++lockCount_;
  dataController_->BeginInfoUpdate();
}

void TcxCustomLookupGrid::EndUpdate() {
  {
    cxdata_internal::Finally unlock{[this] { --lockCount_; }};
    dataController_->EndInfoUpdate();
  }
  if (lockCount_ == 0) Changed(0);
}

void TcxCustomLookupGrid::Changed(int kinds) {
  pendingChanges_ |= kinds;
  if (lockCount_ != 0 || destroying_) return;
  const int pending = pendingChanges_;
  pendingChanges_ = 0;
  if (pending & 7) RefreshLayout();
}

void TcxCustomLookupGrid::ColumnAdded(TcxLookupGridColumn* column) {
  BeginUpdate();
  cxdata_internal::Finally end{[this] { EndUpdate(); }};
  dataController_->AddItem(column);
  Changed(1);
}

void TcxCustomLookupGrid::ColumnRemoved(TcxLookupGridColumn* column) {
  if (focusedColumn_ == column) focusedColumn_ = nullptr;
  if (destroying_) {
    dataController_->RemoveItem(column);
    return;
  }
  BeginUpdate();
  cxdata_internal::Finally end{[this] { EndUpdate(); }};
  dataController_->RemoveItem(column);
  Changed(1);
}

void TcxCustomLookupGrid::SetPopupMode(bool v) {
  if (popupMode_ == v) return;
  popupMode_ = v;
  // A drop-down list leaves the keyboard with its editor: a click picks a row without taking
  // the focus (which the hidden list would otherwise keep, leaving the editor unfocused).
  SetClickFocuses(!v);
  Changed(1);
}

void TcxCustomLookupGrid::SetFocusedColumnIndex(int index) {
  if (columns_->Count() == 0) return;
  index = std::clamp(index, 0, columns_->Count() - 1);
  TcxLookupGridColumn* column = options_->RowSelect() ? nullptr : columns_->Column(index);
  if (column != focusedColumn_) {
    focusedColumn_ = column;
    Changed(1);
  }
  MakeFocusedRowVisible();
}

Integer TcxCustomLookupGrid::FrameWidth() { return popupMode_ ? 0 : TcxControl::FrameWidth(); }

Integer TcxCustomLookupGrid::AlignHeightToRows(Integer height) {
  viewInfo_->Calculate();
  const Integer h = viewInfo_->HeaderArea.Height();
  const TcxGridLines lines = options_->GridLines();
  const Integer r = viewInfo_->RowHeight() + (lines == glBoth || lines == glHorizontal ? viewInfo_->GetGridLineWidth() : 0);
  const int rows = std::max(RowCount(), 1);
  const int n = std::clamp(r > 0 ? (height - h) / r : 1, 1, rows);
  return h + n * r;
}

Integer TcxCustomLookupGrid::GetHeightForRows(int rowCount) {
  viewInfo_->Calculate();
  const TcxGridLines lines = options_->GridLines();
  const Integer r = viewInfo_->RowHeight() + (lines == glBoth || lines == glHorizontal ? viewInfo_->GetGridLineWidth() : 0);
  return rowCount * r + viewInfo_->HeaderArea.Height();
}

TcxLookupGridHitInfo TcxCustomLookupGrid::GetHitInfo(const TPoint& p) {
  TcxLookupGridHitInfo hit;
  if (!viewInfo_->ContentBounds.Contains(p)) return hit;
  if (viewInfo_->HeaderArea.Contains(p)) {
    hit.Kind = 1;
    for (size_t i = 0; i < viewInfo_->Columns.size(); ++i)
      if (viewInfo_->Columns[i].Bounds.Contains(p)) hit.ColumnIndex = int(i);
    return hit;
  }
  if (!viewInfo_->RowsArea.Contains(p)) return hit;
  for (const TcxLookupGridRowViewInfo& row : viewInfo_->Rows) {
    if (!row.Bounds.Contains(p)) continue;
    hit.RowIndex = row.RowIndex;
    for (const TcxLookupGridCellViewInfo& cell : row.Cells)
      if (p.X >= cell.Bounds.Left && p.X < cell.Bounds.Right) {
        hit.ColumnIndex = cell.ColumnIndex;
        hit.Kind = 2;
      }
    break;
  }
  return hit;
}

void TcxCustomLookupGrid::StoreMousePosition() { gMousePosition = CursorPoint(); }

void TcxCustomLookupGrid::MakeFocusedRowVisible() {
  const int focused = FocusedRowIndex();
  const int visible = viewInfo_->VisibleRowCount;
  if (focused < 0 || visible <= 0) return;
  if (focused < topRowIndex_) SetTopRowIndex(focused);
  else if (focused > topRowIndex_ + visible - 1) SetTopRowIndex(focused - visible + 1);
}

int TcxCustomLookupGrid::CheckTopRowIndex(int value) {
  TcxCustomDataController* dc = dataController_.get();
  if (dc->IsGridMode()) {
    const int visible = viewInfo_->VisibleRowCount;
    if (value < 0) {
      if (!dc->IsBOF()) dc->Provider()->Scroll(value);
      value = 0;
    } else if (visible > 0 && value > RowCount() - visible) {
      if (!dc->IsEOF()) dc->Provider()->Scroll(value - (RowCount() - visible));
      value = RowCount() - visible;
    } else if (value >= RowCount()) {
      if (!dc->IsEOF()) dc->Provider()->Scroll(value - RowCount() + 1);
      value = RowCount() - 1;
    }
  }
  return std::clamp(value, 0, std::max(RowCount() - 1, 0));
}

void TcxCustomLookupGrid::SetTopRowIndex(int value) {
  value = CheckTopRowIndex(value);
  if (value == topRowIndex_) return;
  value = viewInfo_->FindTopRowIndex(value);
  if (value == topRowIndex_) {
    Recalculate();
    return;
  }
  topRowIndex_ = value;
  if (!refreshing_) Recalculate();
}

void TcxCustomLookupGrid::RefreshLayout() {
  refreshing_ = true;
  topRowIndex_ = viewInfo_->FindTopRowIndex(std::clamp(topRowIndex_, 0, std::max(RowCount() - 1, 0)));
  refreshing_ = false;
  Recalculate();
}

void TcxCustomLookupGrid::Recalculate() {
  viewInfo_->Calculate();
  if (!HandleAllocated()) return;
  Invalidate();
  RefreshScrollBars();
}

int TcxCustomLookupGrid::GetTopScrollMargin() {
  return dataController_->IsGridMode() && !dataController_->IsBOF() ? 1 : 0;
}

int TcxCustomLookupGrid::GetBottomScrollMargin() {
  return dataController_->IsGridMode() && !dataController_->IsEOF() ? 1 : 0;
}

void TcxCustomLookupGrid::ComputeScrollBarData() {
  const int top = GetTopScrollMargin();
  StoreScrollBarParams(sbVertical, 0, RowCount() - 1 + top + GetBottomScrollMargin(), 1, viewInfo_->VisibleRowCount,
                       topRowIndex_ + top, true, true);
}

void TcxCustomLookupGrid::ScrollPageUp() {
  const int visible = viewInfo_->VisibleRowCount;
  SetTopRowIndex(visible <= 1 ? topRowIndex_ - 1 : topRowIndex_ - visible + 1);
}

void TcxCustomLookupGrid::ScrollPageDown() {
  const int visible = viewInfo_->VisibleRowCount;
  SetTopRowIndex(visible <= 1 ? topRowIndex_ + 1 : topRowIndex_ + visible - 1);
}

void TcxCustomLookupGrid::PanScroll(TScrollBarKind kind, TScrollCode code, Integer& position) {
  if (kind != sbVertical) return;
  switch (code) {
    case scLineUp: SetTopRowIndex(topRowIndex_ - 1); break;
    case scLineDown: SetTopRowIndex(topRowIndex_ + 1); break;
    case scPageUp: ScrollPageUp(); break;
    case scPageDown: ScrollPageDown(); break;
    case scPosition:
      if (dataController_->IsGridMode()) SetTopRowIndex(position - GetTopScrollMargin());
      break;
    case scTrack:
      if (!dataController_->IsGridMode()) SetTopRowIndex(position);
      break;
    default: break;
  }
  position = topRowIndex_ + GetTopScrollMargin();
}

void TcxCustomLookupGrid::MoveFocusedRow(int delta) {
  if (RowCount() == 0) return;
  const int index = std::clamp(FocusedRowIndex() + delta, 0, RowCount() - 1);
  SetFocusedRowIndex(index);
  SetFocusedRowSelected(true);
}

void TcxCustomLookupGrid::KeyDown(Word& key, TShiftState shift) {
  TcxControl::KeyDown(key, shift);
  const bool ctrl = shift.Contains(ssCtrl);
  switch (key) {
    case VK_RETURN: DoCloseRequest(FocusedRowIndex() != -1); break;
    case VK_PRIOR:
      MakeFocusedRowVisible();
      if (FocusedRowIndex() == topRowIndex_) ScrollPageUp();
      SetFocusedRowIndex(topRowIndex_);
      break;
    case VK_NEXT: {
      MakeFocusedRowVisible();
      const int last = topRowIndex_ + viewInfo_->VisibleRowCount - 1;
      if (FocusedRowIndex() == last) ScrollPageDown();
      SetFocusedRowIndex(std::min(topRowIndex_ + viewInfo_->VisibleRowCount - 1, RowCount() - 1));
      break;
    }
    case VK_END:
      if (ctrl || options_->RowSelect()) dataController_->GotoLast();
      else SetFocusedColumnIndex(columns_->Count() - 1);
      break;
    case VK_HOME:
      if (ctrl || options_->RowSelect()) dataController_->GotoFirst();
      else SetFocusedColumnIndex(0);
      break;
    case VK_LEFT: SetFocusedColumnIndex(focusedColumn_ ? focusedColumn_->Index() - 1 : 0); break;
    case VK_RIGHT: SetFocusedColumnIndex(focusedColumn_ ? focusedColumn_->Index() + 1 : 0); break;
    case VK_UP: MoveFocusedRow(-1); break;
    case VK_DOWN: MoveFocusedRow(1); break;
    default: break;
  }
}

void TcxCustomLookupGrid::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomLookupGrid> self(this);
  TcxControl::MouseDown(button, shift, x, y);
  if (!self) return;
  const TcxLookupGridHitInfo hit = GetHitInfo(TPoint(x, y));
  if (hit.Kind == 1) HeaderMouseDown(hit.ColumnIndex, shift);
  else if (hit.Kind == 2) {
    RowMouseDown(hit.RowIndex, hit.ColumnIndex, shift);
    mousePressed_ = true;
  }
}

void TcxCustomLookupGrid::RowMouseDown(int row, int column, TShiftState) {
  if (row != -1) SetFocusedRowIndex(row);
  if (column != -1) SetFocusedColumnIndex(column);
}

void TcxCustomLookupGrid::HeaderMouseDown(int column, TShiftState shift) {
  if (!options_->ColumnSorting() || column < 0 || column >= columns_->Count()) return;
  TcxLookupGridColumn* c = columns_->Column(column);
  if (!c->Sorting()) return;
  {
    // A sorting handler that raises must not leave the grid locked.
    BeginUpdate();
    cxdata_internal::Finally end{[this] { EndUpdate(); }};
    if (shift.Contains(ssCtrl)) {
      c->SetSortOrder(soNone);
    } else {
      const TcxDataSortOrder order = c->SortOrder() == soAscending ? soDescending : soAscending;
      if (!shift.Contains(ssShift)) dataController_->ClearSorting(false);
      c->SetSortOrder(order);
    }
  }
  MakeFocusedRowVisible();
}

void TcxCustomLookupGrid::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxControl::MouseMove(shift, x, y);
  const TPoint cursor = CursorPoint();
  if (cursor == gMousePosition) return;
  gMousePosition = cursor;
  if (!MouseCapture() && !IsFocusFollowingMouse()) return;
  const TRect& rows = viewInfo_->VisibleRowsArea;
  if (mousePressed_ && MouseCapture() && (y < rows.Top || y >= rows.Bottom)) {
    SetScrollingState(y < rows.Top ? 1 : 2);
    return;
  }
  SetScrollingState(0);
  const TcxLookupGridHitInfo hit = GetHitInfo(TPoint(x, y));
  if (hit.Kind == 2) {
    SetFocusedRowIndex(hit.RowIndex);
    SetFocusedRowSelected(true);
  }
}

void TcxCustomLookupGrid::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomLookupGrid> self(this);
  TcxControl::MouseUp(button, shift, x, y);
  if (!self) return;
  SetScrollingState(0);
  if (mousePressed_) {
    mousePressed_ = false;
    DoCloseRequest(GetHitInfo(TPoint(x, y)).Kind == 2);
  }
}

void TcxCustomLookupGrid::CancelMouseOperation() {
  TcxControl::CancelMouseOperation();
  SetScrollingState(0);
  mousePressed_ = false;
}

void TcxCustomLookupGrid::SetScrollingState(int state) {
  if (scrollingState_ == state) return;
  scrollingState_ = state;
  if (state == 0) {
    autoScrollTimer_.reset();
    return;
  }
  if (!autoScrollTimer_) {
    autoScrollTimer_ = std::make_unique<TcxTimer>(nullptr);
    autoScrollTimer_->SetInterval(kAutoScrollInterval);
    autoScrollTimer_->SetOnTimer([this](TObject*) { AutoScrollTick(); });
  }
}

void TcxCustomLookupGrid::AutoScrollTick() {
  if (RowCount() == 0) return;
  const TPoint p = ScreenToClient(CursorPoint());
  const TRect& rows = viewInfo_->VisibleRowsArea;
  int index = FocusedRowIndex();
  if (p.Y < rows.Top) index = topRowIndex_ - 1;
  else if (p.Y >= rows.Bottom) index = topRowIndex_ + viewInfo_->VisibleRowCount + 1;
  index = std::clamp(index, 0, RowCount() - 1);
  SetFocusedRowIndex(index);
  MakeFocusedRowVisible();
  SetFocusedRowSelected(false);
}

void TcxCustomLookupGrid::SetFocusedRowSelected(bool value) { dataController_->ChangeFocusedRowSelected(value); }

void TcxCustomLookupGrid::DoCloseRequest(bool accept) {
  if (OnCloseRequest) OnCloseRequest(this, accept);
}

void TcxCustomLookupGrid::InvalidateFocusedRow() { InvalidateRow(FocusedRowIndex(), false); }

void TcxCustomLookupGrid::InvalidateRow(int rowIndex, bool recalculate) {
  for (TcxLookupGridRowViewInfo& row : viewInfo_->Rows) {
    if (row.RowIndex != rowIndex) continue;
    if (recalculate) viewInfo_->CalculateRowContents(row);
    if (HandleAllocated()) {
      TRect r = row.Bounds;
      ::InvalidateRect(Handle(), &r, FALSE);
    }
    return;
  }
}

void TcxCustomLookupGrid::DataChanged() {
  RefreshLayout();
  if (OnDataChanged) OnDataChanged(this);
}

void TcxCustomLookupGrid::FocusedRowChanged(int previous, int current) {
  if (current >= topRowIndex_ && current < topRowIndex_ + viewInfo_->VisibleRowCount) {
    InvalidateRow(previous, true);
    InvalidateRow(current, true);
  } else {
    RefreshLayout();
    MakeFocusedRowVisible();
  }
}

void TcxCustomLookupGrid::SelectionChanged(TcxSelectionChangedInfo* info) {
  if (!info || info->ChangedRowCount() == 0) {
    RefreshLayout();
    return;
  }
  for (int row : info->RowIndexes) InvalidateRow(row, true);
}

void TcxCustomLookupGrid::DataControllerChanged(TcxUpdateControlInfo* info) {
  if (destroying_) return;
  if (dynamic_cast<TcxDataChangedInfo*>(info)) DataChanged();
  else if (dynamic_cast<TcxLayoutChangedInfo*>(info)) RefreshLayout();
  else if (auto* f = dynamic_cast<TcxFocusedRowChangedInfo*>(info)) FocusedRowChanged(f->PrevFocusedRowIndex, f->FocusedRowIndex);
  else if (auto* s = dynamic_cast<TcxSelectionChangedInfo*>(info)) SelectionChanged(s);
}

void TcxCustomLookupGrid::PaintBorderAndContent() {
  TcxControl::PaintBorderAndContent();
  painter_->Paint(Canvas());
}

void TcxCustomLookupGrid::HandleBoundsChange() {
  RefreshLayout();
  TcxControl::HandleBoundsChange();
}

void TcxCustomLookupGrid::NotifyFocusChanged() {
  InvalidateFocusedRow();
  TcxControl::NotifyFocusChanged();
}

void TcxCustomLookupGrid::HandleFontChange() {
  TcxControl::HandleFontChange();
  RefreshLayout();
}

void TcxCustomLookupGrid::HandleColorChange() {
  RefreshLayout();
  TcxControl::HandleColorChange();
}

TcxCustomLookAndFeelPainterClass TcxCustomLookupGrid::GetLFPainterClass() { return LookAndFeel()->EffectivePainter(); }

void TcxCustomLookupGrid::LookAndFeelUpdated(TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed) {
  TcxControl::LookAndFeelUpdated(sender, changed);
  painter_->SetLFPainter(GetLFPainterClass());
  Changed(1);
}

void TcxCustomLookupGrid::Loaded() {
  TcxControl::Loaded();
  Changed(1);
}

void InitializeCxLookupGrid() {
  InitUnit(
      "cxLookupGrid",
      [] {
        InitializeCxEdit();
        InitializeCxLookAndFeelPainters();
        RegisterClass(TcxLookupGrid::StaticClass());
        RegisterClass(TcxLookupGridColumn::StaticClass());
      },
      [] {});
}
