// The view info of the pivot grid: the filter area, the data, row and column field bands,
// the column and row header chains, the data cells, the area backgrounds, fillers and the drop
// areas of field drag and drop, laid out from the view data and the fields.
#include <algorithm>

#include "pivotgrid/cxCustomPivotGrid.h"
#include "rtl/SysUtils.h"

namespace {

int MulDivInt(int a, int b, int c) { return c == 0 ? 0 : int((long long)a * b / c); }

TcxPivotGridViewDataItem* LastLeafOf(TcxPivotGridViewDataItem* item) {
  while (item->HasChildren()) item = item->Items(item->ItemCount() - 1);
  return item;
}

bool IsAncestorOrSelf(TcxPivotGridViewDataItem* ancestor, TcxPivotGridViewDataItem* item) {
  for (; item; item = item->Parent())
    if (item == ancestor) return true;
  return false;
}

// The sizes of the leaves of `item`'s subtree that come before `leaf`.
int PrecedingLeavesSize(TcxPivotGridViewDataItem* item, TcxPivotGridViewDataItem* leaf) {
  int size = 0;
  for (auto* p = leaf->PreviousLeaf(); p && IsAncestorOrSelf(item, p); p = p->PreviousLeaf()) size += p->GetSize();
  return size;
}

}  // namespace

TcxPivotGridViewInfo::TcxPivotGridViewInfo(TcxCustomPivotGrid* grid) : grid_(grid) {}

TcxPivotGridViewInfo::~TcxPivotGridViewInfo() = default;

void TcxPivotGridViewInfo::CheckCellsCalculated() {
  FieldHeaders.CheckCalculated();
  ColumnHeaders.CheckCalculated();
  RowHeaders.CheckCalculated();
  Parts.CheckCalculated();
  DataCells.CheckCalculated();
}

int TcxPivotGridViewInfo::GetFirstColumnIndex() { return ExportMode ? 0 : grid_->ViewData()->LeftColumn(); }
int TcxPivotGridViewInfo::GetFirstRowIndex() { return ExportMode ? 0 : grid_->ViewData()->TopRow(); }

void TcxPivotGridViewInfo::Recalculate() {
  ++RecalculateCount;
  if (!styles_) styles_ = grid_->Styles();
  Canvas = grid_->Canvas();
  Painter = grid_->ViewPainter();
  grid_->ContentBounds(Bounds);
  if (ExportMode) Bounds.Right = Bounds.Bottom = cxPivotGridMaxIndex;
  ClearCells();
  RowFieldOffsets.clear();
  Calculate();
}

void TcxPivotGridViewInfo::Calculate() {
  TcxPivotGridController* controller = grid_->Controller();
  controller->ResetCells();
  try {
    grid_->Styles()->GetBackgroundParams(BackgroundParams);
    SelectionRect = grid_->ViewData()->NormalizedSelection();
    TcxNeighbors all{nLeft, nTop, nRight, nBottom};
    HeadersOverlap = !ExportMode && !(Painter->HeaderFrameSides(all) == cxBordersAll);
    DataBounds = Bounds;
    for (int i = 0; i < grid_->FieldCount(); ++i) grid_->Fields(i)->SetHeaderAreaIndex(-1);
    CalculateHeaders();
    CalculateColumns();
    CalculateRows();
    CalculateDataCells();
  } catch (...) {
    // The hit test follows what was laid out; the failure goes to the caller.
    try {
      controller->UpdateHitTest();
    } catch (...) {
    }
    throw;
  }
  controller->UpdateHitTest();
}

// ---- the "Data" header and the bands ------------------------------------------------------------

TcxPivotGridFieldHeaderCellViewInfo* TcxPivotGridViewInfo::DataHeader() {
  return grid_->OptionsDataField()->GetHeaderViewInfo();
}

std::vector<TcxPivotGridField*> TcxPivotGridViewInfo::AreaFields(TcxPivotGridFieldArea area) {
  std::vector<TcxPivotGridField*> list;
  for (int i = 0; i < grid_->FieldCount(); ++i) {
    TcxPivotGridField* f = grid_->Fields(i);
    if (f->Area() == area && f->IsShownInView()) list.push_back(f);
  }
  std::stable_sort(list.begin(), list.end(),
                   [](TcxPivotGridField* a, TcxPivotGridField* b) { return a->AreaIndex() < b->AreaIndex(); });
  return list;
}

int TcxPivotGridViewInfo::DataFieldHeaderPosition(bool checkVisibility) {
  TcxPivotGridOptionsDataField* o = grid_->OptionsDataField();
  TcxPivotGridOptionsView* v = grid_->OptionsView();
  if (o->Area() == dfaNone) return -1;
  if (checkVisibility && o->Area() == dfaRow && !v->RowFields()) return -1;
  if (o->Area() == dfaColumn && !v->ColumnFields()) return -1;
  TcxPivotGridFieldArea area = o->Area() == dfaRow ? faRow : faColumn;
  int count = int(AreaFields(area).size());
  if (o->AreaIndex() < 0) return count;
  int hidden = 0;
  for (int i = 0; i < grid_->FieldCount(); ++i) {
    TcxPivotGridField* f = grid_->Fields(i);
    if (f->Area() == area && !f->IsShownInView() && f->AreaIndex() >= 0 && f->AreaIndex() < o->AreaIndex()) ++hidden;
  }
  return std::min(o->AreaIndex() - hidden, count);
}

bool TcxPivotGridViewInfo::HasDataLevelInRows() {
  return grid_->DataBuilder()->DataFields().Count() >= 2 && grid_->OptionsDataField()->Area() == dfaRow;
}

bool TcxPivotGridViewInfo::HasDataLevelInColumns() {
  return grid_->DataBuilder()->DataFields().Count() >= 2 && grid_->OptionsDataField()->Area() != dfaRow;
}

int TcxPivotGridViewInfo::ColumnFieldHeaderCount() {
  bool data = HasDataLevelInColumns() && grid_->OptionsDataField()->Area() == dfaColumn && DataFieldHeaderPosition() >= 0;
  return int(AreaFields(faColumn).size()) + (data ? 1 : 0);
}

int TcxPivotGridViewInfo::RowFieldHeaderCount() {
  return int(AreaFields(faRow).size()) + (HasDataLevelInRows() ? 1 : 0);
}

TcxPivotGridFieldHeaderCellViewInfo* TcxPivotGridViewInfo::BandHeader(TcxPivotGridFieldArea area, int i) {
  bool rows = area == faRow;
  bool data = rows ? HasDataLevelInRows()
                   : HasDataLevelInColumns() && grid_->OptionsDataField()->Area() == dfaColumn;
  int position = data ? DataFieldHeaderPosition(!rows) : -1;
  if (data && position < 0) position = int(AreaFields(area).size());
  if (data && i == position) return DataHeader();
  std::vector<TcxPivotGridField*> fields = AreaFields(area);
  int index = data && i > position ? i - 1 : i;
  if (index < 0 || index >= int(fields.size())) return nullptr;
  return fields[std::size_t(index)]->GetHeaderViewInfo();
}

void TcxPivotGridViewInfo::PrepareFieldHeader(TcxPivotGridFieldHeaderCellViewInfo* cell, TcxPivotGridField* field) {
  TcxStyleParams params;
  styles_->GetFieldHeaderParams(field, params);
  cell->InitFieldHeader(Canvas, Painter, params);
}

void TcxPivotGridViewInfo::CalculateHeaderHeight() {
  TcxPivotGridStyles* styles = grid_->Styles();
  TFont* font = HasAssignedValue(styles->FieldHeader(), TcxStyleValue::svFont) ? styles->FieldHeader()->Font()
                                                                               : grid_->Font();
  HeaderHeight = Painter->HeaderHeightForText(MeasureTextHeightInFont(font, "Wg"));
  int imageHeight = 0;
  if (grid_->FieldHeaderImages()) imageHeight = grid_->FieldHeaderImages()->Height();
  if (grid_->GroupHeaderImages()) imageHeight = std::max(imageHeight, grid_->GroupHeaderImages()->Height());
  if (imageHeight > 0) HeaderHeight = std::max(HeaderHeight, imageHeight + 4);
  DataFieldsWidth = 0;
  for (int i = 0; i < grid_->FieldCount(); ++i) {
    TcxPivotGridField* f = grid_->Fields(i);
    TcxPivotGridFieldHeaderCellViewInfo* cell = f->GetHeaderViewInfo();
    PrepareFieldHeader(cell, f);
    if (f->Area() == faData && f->IsShownInView()) DataFieldsWidth += cell->BestWidth();
    HeaderHeight = std::max(HeaderHeight, cell->RequiredHeight());
  }
  PrepareFieldHeader(DataHeader(), nullptr);
  if (DataFieldHeaderPosition() != -1) HeaderHeight = std::max(HeaderHeight, DataHeader()->RequiredHeight());
}

void TcxPivotGridViewInfo::CalculateHeaders() {
  CalculateHeaderHeight();
  RowHeight_ = HeaderHeight;
  FilterAreaHeight = 0;
  CalculateFilterArea();
  RowHeadersWidth = 0;
  for (auto* f : AreaFields(faRow)) RowHeadersWidth += f->GetActualWidth();
  if (RowHeadersWidth == 0) RowHeadersWidth = grid_->OptionsView()->GetActualWidth();
  if (HasDataLevelInRows()) RowHeadersWidth += grid_->OptionsDataField()->GetActualWidth();
  DataBounds = TRect(Bounds.Left + RowHeadersWidth, Bounds.Top + FilterAreaHeight, Bounds.Right, Bounds.Bottom);
  ColumnLevelCount = std::max(1, int(AreaFields(faColumn).size()) + (HasDataLevelInColumns() ? 1 : 0));
  ColumnHeadersHeight = ColumnLevelCount * RowHeight_;
  TcxPivotGridOptionsView* v = grid_->OptionsView();
  DataBounds.Top += std::max((HeaderHeight + 10) * (int(v->DataFields()) + int(v->RowFields())),
                             int(v->ColumnFields()) * (HeaderHeight + 10) + ColumnHeadersHeight);
  CalculateDataFieldHeaders();
  CalculateColumnFieldHeaders();
  CalculateRowFieldHeaders();
}

TcxPivotGridHeaderBackgroundCellViewInfo* TcxPivotGridViewInfo::AddAreaBackground(const TRect& r,
                                                                                  TcxPivotGridFieldArea area,
                                                                                  const char* hint, bool showText) {
  TcxStyleParams params;
  styles_->GetHeaderAreaParams(area, params);
  auto* cell = new TcxPivotGridHeaderBackgroundCellViewInfo(Painter, params, Bounds, r);
  cell->Area = area;
  cell->DisplayText = cxPivotGridResText(hint);
  cell->ShowText = showText;
  Parts.Add(cell);
  return cell;
}

void TcxPivotGridViewInfo::PlaceFieldHeader(const TRect& r, TcxPivotGridField* field, int index,
                                            TcxPivotGridFieldArea area) {
  TcxPivotGridFieldHeaderCellViewInfo* cell = field ? field->GetHeaderViewInfo() : DataHeader();
  cell->Area = area;
  cell->AreaIndex = index;
  cell->SetBounds(r, Bounds);
  cell->Calculated = false;
  if (field) field->SetHeaderAreaIndex(index);
  FieldHeaders.Add(cell);
}

void TcxPivotGridViewInfo::CalculateFilterArea() {
  if (!grid_->OptionsView()->FilterFields()) return;
  FilterAreaHeight = HeaderHeight + 10;
  int first = FieldHeaders.Count();
  std::vector<TcxPivotGridField*> fields = AreaFields(faFilter);
  TRect r = RectFromPosSize(Bounds.Left + 3, Bounds.Top + 5, 0, HeaderHeight);
  bool firstOnLine = true;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    TcxPivotGridField* f = fields[i];
    TcxPivotGridFieldHeaderCellViewInfo* cell = f->GetHeaderViewInfo();
    r.Right = r.Left + cell->BestWidth();
    bool laterMember = f->Group() && f->Group()->IndexOf(f) > 0;
    if (!firstOnLine && !laterMember) {
      int right = r.Right;
      if (f->Group())
        for (TcxPivotGridField* m = f->Group()->NextField(f); m && m->IsShownInView(); m = m->Group()->NextField(m))
          right += m->GetHeaderViewInfo()->BestWidth() + 5;
      if (Bounds.Right < right) {
        int w = r.Width();
        r.Left = Bounds.Left + 3;
        r.Top = r.Bottom + 5;
        r.Bottom = r.Top + HeaderHeight;
        r.Right = r.Left + w;
        FilterAreaHeight += HeaderHeight + 5;
      }
    }
    PlaceFieldHeader(r, f, int(i), faFilter);
    firstOnLine = false;
    r.Left = r.Right + 3;
  }
  TRect area = RectWithHeight(Bounds, FilterAreaHeight);
  AddAreaBackground(area, faFilter, "Drop Filter Fields Here", fields.empty());
  if (grid_->OptionsView()->FilterSeparator()) {
    FilterAreaHeight += 5;
    TRect sep = RectFromPosSize(Bounds.Left, Bounds.Top + FilterAreaHeight - 3, Bounds.Width(), 1);
    if (!ExportMode && grid_->IsVScrollBarShown()) sep.Right += 2;
    TcxStyleParams params;
    grid_->Styles()->GetFilterSeparatorParams(params);
    // The strip around the line belongs to the filter area.
    TcxStyleParams strip;
    styles_->GetHeaderAreaParams(faFilter, strip);
    Parts.Add(new TcxPivotGridCustomCellViewInfo(Painter, strip, Bounds,
                                                 TRect(Bounds.Left, area.Bottom, Bounds.Right, Bounds.Top + FilterAreaHeight)));
    Parts.Add(new TcxPivotGridFilterSeparatorCellViewInfo(Painter, params, Bounds, sep));
  }
  AddDropAreas(area, first, faFilter);
}

void TcxPivotGridViewInfo::CalculateDataFieldHeaders() {
  TcxPivotGridOptionsView* v = grid_->OptionsView();
  TRect area = RectFromPosSize(Bounds.Left, Bounds.Top + FilterAreaHeight, RowHeadersWidth, HeaderHeight + 10);
  if (!v->RowFields()) area.Bottom = DataBounds.Top;
  std::vector<TcxPivotGridField*> fields = AreaFields(faData);
  if (v->DataFields() || !v->RowFields())
    AddAreaBackground(area, faData, "Drop Data Fields Here", fields.empty() && v->DataFields());
  if (!v->DataFields()) return;
  int first = FieldHeaders.Count();
  int left = area.Left + 3;
  // The headers shrink to the band when their widths together do not fit (widths compared
  // with widths: a bordered grid starts its band right of 0).
  bool shrink = RowHeadersWidth - 3 < DataFieldsWidth;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    int best = fields[i]->GetHeaderViewInfo()->BestWidth();
    int right;
    if (shrink)
      right = std::min(left + MulDivInt(best, RowHeadersWidth - 3, DataFieldsWidth), Bounds.Left + RowHeadersWidth);
    else
      right = left + best;
    right -= 3;
    if (left < right) PlaceFieldHeader(TRect(left, area.Top + 5, right, area.Top + 5 + HeaderHeight), fields[i], int(i), faData);
    left = right + 3;
  }
  AddDropAreas(area, first, faData);
}

void TcxPivotGridViewInfo::CalculateColumnFieldHeaders() {
  TcxPivotGridOptionsView* v = grid_->OptionsView();
  TRect area(Bounds.Left + RowHeadersWidth, Bounds.Top + FilterAreaHeight, Bounds.Right,
             DataBounds.Top - ColumnHeadersHeight);
  int count = ColumnFieldHeaderCount();
  AddAreaBackground(area, faColumn, "Drop Column Fields Here", count == 0 && v->ColumnFields());
  if (!v->ColumnFields()) return;
  int first = FieldHeaders.Count();
  int left = area.Left;
  for (int i = 0; i < count; ++i) {
    TcxPivotGridFieldHeaderCellViewInfo* cell = BandHeader(faColumn, i);
    if (!cell) continue;
    TRect r(left, area.Top + 5, left + cell->BestWidth(), area.Top + 5 + HeaderHeight);
    PlaceFieldHeader(r, cell->Field(), i, faColumn);
    left = r.Right + 3;
  }
  AddDropAreas(area, first, faColumn);
}

void TcxPivotGridViewInfo::CalculateRowFieldHeaders() {
  TcxPivotGridOptionsView* v = grid_->OptionsView();
  TRect area(Bounds.Left, Bounds.Top + FilterAreaHeight + (v->DataFields() ? HeaderHeight + 10 : 0),
             Bounds.Left + RowHeadersWidth, DataBounds.Top);
  int first = FieldHeaders.Count();
  int count = RowFieldHeaderCount();
  int x = Bounds.Left, left = Bounds.Left + 3;
  int bottom = area.Bottom - 5;
  for (int i = 0; i < count; ++i) {
    RowFieldOffsets.push_back(x);
    TcxPivotGridFieldHeaderCellViewInfo* cell = BandHeader(faRow, i);
    int w = cell && cell->Field() ? cell->Field()->GetActualWidth() : grid_->OptionsDataField()->GetActualWidth();
    x += w;
    int right = x - 3;
    if (v->RowFields() && cell) PlaceFieldHeader(TRect(left, bottom - HeaderHeight, right, bottom), cell->Field(), i, faRow);
    left = right + 3;
  }
  if (!v->RowFields()) return;
  AddAreaBackground(area, faRow, "Drop Row Fields Here", FieldHeaders.Count() == first);
  AddDropAreas(area, first, faRow);
}

void TcxPivotGridViewInfo::AddDropAreas(const TRect& areaBounds, int firstHeader, TcxPivotGridFieldArea area) {
  int count = FieldHeaders.Count();
  if (firstHeader >= count) {
    auto a = std::make_unique<TcxPivotGridDragDropAreaInfo>();
    a->Area = area;
    a->AreaIndex = 0;
    a->Bounds = GrowRect(areaBounds, -3, -6);
    a->MarkBounds = TRect(a->Bounds.Left, a->Bounds.Top, a->Bounds.Left + 1, a->Bounds.Bottom);
    DropAreas.push_back(std::move(a));
    return;
  }
  int lines = 1;
  for (int i = firstHeader + 1; i < count; ++i)
    if (FieldHeaders[i]->Bounds.Top != FieldHeaders[i - 1]->Bounds.Top) ++lines;
  int position = 0, line = 0, height = areaBounds.Height();
  for (int i = firstHeader; i < count; ++i) {
    auto* header = static_cast<TcxPivotGridFieldHeaderCellViewInfo*>(FieldHeaders[i]);
    TRect r = header->Bounds;
    int start = position;
    auto* h = header;
    while (h->Group && h->HasExpandButton && h->Expanded && i + 1 < count) {
      h = static_cast<TcxPivotGridFieldHeaderCellViewInfo*>(FieldHeaders[i + 1]);
      r.Right = h->Bounds.Right;
      ++i;
      ++position;
    }
    TRect left = r, right = r;
    left.Right = right.Left = r.Left + r.Width() / 2;
    left.Left = std::max(left.Left - 2, areaBounds.Left);
    right.Right = std::min(right.Right + 1, areaBounds.Right);
    int markX = right.Right;
    bool last = i + 1 >= count || FieldHeaders[i + 1]->Bounds.Top != h->Bounds.Top;
    int bandTop = areaBounds.Top + MulDivInt(height, line, lines);
    int bandBottom = areaBounds.Top + MulDivInt(height, line + 1, lines);
    auto a = std::make_unique<TcxPivotGridDragDropAreaInfo>();
    a->Area = area;
    a->AreaIndex = start;
    a->Bounds = TRect(left.Left, bandTop, left.Right, bandBottom);
    a->MarkBounds = TRect(left.Left, r.Top, left.Left + 1, r.Bottom);
    a->Field = header->Owner;
    DropAreas.push_back(std::move(a));
    if (last) {
      right.Right = areaBounds.Right;
      ++line;
    }
    auto b = std::make_unique<TcxPivotGridDragDropAreaInfo>();
    b->Area = area;
    b->AreaIndex = position + 1;
    b->Bounds = TRect(right.Left, bandTop, right.Right, bandBottom);
    b->MarkBounds = TRect(markX, r.Top, markX + 1, r.Bottom);
    b->Field = header->Owner;
    DropAreas.push_back(std::move(b));
    ++position;
  }
}

// ---- columns and rows -----------------------------------------------------------------------------

int TcxPivotGridViewInfo::FillVisibleItems(std::vector<TcxPivotGridViewDataItem*>& list,
                                           TcxPivotGridViewDataItem* first, int& firstIndex, int extent, bool) {
  int total = 0;
  for (auto* item = first; item; item = item->NextLeaf()) {
    int size = item->GetSize();
    list.push_back(item);
    total += size;
    extent -= size;
    if (extent <= 0) break;
  }
  for (auto* item = first ? first->PreviousLeaf() : nullptr; item && extent > 0; item = item->PreviousLeaf()) {
    int size = item->GetSize();
    extent -= size;
    if (extent < 0) break;
    list.insert(list.begin(), item);
    total += size;
    if (!ExportMode) --firstIndex;
  }
  return total;
}

bool TcxPivotGridViewInfo::CalculateAxis(bool rows, int start, int end, int& dataEnd) {
  TcxPivotGridViewData* vd = grid_->ViewData();
  std::vector<TcxPivotGridViewDataItem*>& list = rows ? RowItems : ColumnItems;
  int firstIndex = rows ? GetFirstRowIndex() : GetFirstColumnIndex();
  int size = FillVisibleItems(list, rows ? vd->RowItem(firstIndex) : vd->ColumnItem(firstIndex), firstIndex, end - start,
                              rows);
  if (!ExportMode) {
    if (rows) vd->StoreTopRow(std::max(0, firstIndex));
    else vd->StoreLeftColumn(std::max(0, firstIndex));
  }
  dataEnd = start + size;
  int count = int(list.size());
  // A last leaf that does not fit counts as not visible.
  bool partial = end < dataEnd;
  if (partial) {
    dataEnd = end;
    count = std::max(1, count - 1);
  }
  (rows ? vd->VisibleRowCount : vd->VisibleColumnCount) = count;
  return partial;
}

void TcxPivotGridViewInfo::CalculateColumns() {
  if (!CalculateAxis(false, DataBounds.Left, Bounds.Right, DataBounds.Right))
    AddFiller(TRect(DataBounds.Right, DataBounds.Top - ColumnHeadersHeight, Bounds.Right, Bounds.Bottom));
  grid_->ViewData()->DataAreaWidth = DataBounds.Width();
  ColumnHeadersBounds = TRect(DataBounds.Left, DataBounds.Top - ColumnHeadersHeight, DataBounds.Right, DataBounds.Top);
  int left = DataBounds.Left;
  for (auto* leaf : ColumnItems) {
    ColumnHeaderChain(leaf, left);
    left += leaf->GetSize();
  }
}

void TcxPivotGridViewInfo::ColumnHeaderChain(TcxPivotGridViewDataItem* leaf, int left) {
  int bottom = ColumnHeadersBounds.Bottom;
  for (auto* item = leaf; item && item->Level() >= 0 && !placed_.count(item); item = item->Parent()) {
    TRect r;
    r.Left = left - PrecedingLeavesSize(item, leaf);
    r.Right = r.Left + item->GetSize();
    r.Bottom = bottom;
    r.Top = item->IsDataItem() ? bottom - RowHeight_ : item->Level() * RowHeight_ + ColumnHeadersBounds.Top;
    placed_[item] = r;
    AddColumnHeader(r, item);
    bottom = r.Top;
  }
}

void TcxPivotGridViewInfo::CalculateRows() {
  if (!CalculateAxis(true, DataBounds.Top, Bounds.Bottom, DataBounds.Bottom))
    AddFiller(TRect(Bounds.Left, DataBounds.Bottom, Bounds.Right, Bounds.Bottom));
  grid_->ViewData()->DataAreaHeight = DataBounds.Height();
  RowHeadersBounds = TRect(Bounds.Left, DataBounds.Top, Bounds.Left + RowHeadersWidth, DataBounds.Bottom);
  int top = DataBounds.Top;
  if (HeadersOverlap) {
    --RowHeadersBounds.Top;
    ++RowHeadersBounds.Right;
  }
  for (auto* leaf : RowItems) {
    RowHeaderChain(leaf, top);
    top += leaf->GetSize();
  }
}

int TcxPivotGridViewInfo::GetRowFieldOffset(int level, IcxPivotGridSizableObject*& field) {
  field = nullptr;
  int count = int(RowFieldOffsets.size());
  if (level >= 0 && level < count) {
    TcxPivotGridFieldHeaderCellViewInfo* cell = BandHeader(faRow, level);
    if (cell) field = cell->Field() ? static_cast<IcxPivotGridSizableObject*>(cell->Field()) : grid_->OptionsDataField();
    return RowFieldOffsets[std::size_t(level)];
  }
  if (count >= 1) {
    if (count == 1 && level == 1 && HasDataLevelInRows()) field = grid_->OptionsDataField();
    return Bounds.Left + grid_->OptionsView()->GetActualWidth();
  }
  return Bounds.Left;
}

void TcxPivotGridViewInfo::RowHeaderChain(TcxPivotGridViewDataItem* leaf, int top) {
  int right = RowHeadersBounds.Right;
  int levelIndex = leaf->Level();
  if (leaf->IsDataItem()) levelIndex = std::max(levelIndex, RowFieldHeaderCount() - 1);
  for (auto* item = leaf; item && item->Level() >= 0; item = item->Parent(), --levelIndex) {
    if (placed_.count(item)) break;
    TRect r;
    r.Top = top - PrecedingLeavesSize(item, leaf);
    r.Bottom = r.Top + item->GetSize();
    IcxPivotGridSizableObject* field = nullptr;
    r.Left = GetRowFieldOffset(levelIndex, field);
    r.Right = right;
    placed_[item] = r;
    AddRowHeader(r, item, field);
    right = r.Left;
  }
}

void TcxPivotGridViewInfo::InitHeaderCell(TcxPivotGridHeaderCellViewInfo* cell, TcxPivotGridViewDataItem* item) {
  cell->Data = item;
  cell->DisplayText = item->GetDisplayText();
  cell->Images = grid_->GroupHeaderImages();
  cell->ImageIndex = -1;
  if (cell->Images && item->GetField() && !item->IsDataItem())
    cell->ImageIndex = item->GetField()->GetGroupImageIndex(item, cell->ImageAlignHorz, cell->ImageAlignVert);
  cell->HasExpandButton = item->IsExpandable() && !item->IsDataItem() && ShowExpandButtons;
  cell->Expanded = item->IsExpanded();
}

void TcxPivotGridViewInfo::AddColumnHeader(const TRect& r, TcxPivotGridViewDataItem* item) {
  TcxStyleParams params;
  styles_->GetColumnHeaderParams(item, params);
  auto* cell = new TcxPivotGridHeaderCellViewInfo(Painter, params, ColumnHeadersBounds, r);
  if (r.Left > ColumnHeadersBounds.Left) cell->Neighbors.Include(nLeft);
  if (item->Level() != 0) cell->Neighbors.Include(nTop);
  if (LastLeafOf(item)->NextLeaf()) cell->Neighbors.Include(nRight);
  if (item->HasChildren()) cell->Neighbors.Include(nBottom);
  if (!item->HasChildren()) {
    if (item->IsGrandTotal()) cell->SizableObject = grid_->OptionsView();
    else if (item->GetField()) cell->SizableObject = item->GetField();
  }
  InitHeaderCell(cell, item);
  ColumnHeaders.Add(cell);
}

void TcxPivotGridViewInfo::AddRowHeader(const TRect& rect, TcxPivotGridViewDataItem* item,
                                        IcxPivotGridSizableObject* field) {
  TRect r = rect;
  if (HeadersOverlap && r.Top - RowHeadersBounds.Top < 2) --r.Top;
  TcxStyleParams params;
  styles_->GetRowHeaderParams(item, params);
  auto* cell = new TcxPivotGridHeaderCellViewInfo(Painter, params, RowHeadersBounds, r);
  if (r.Top > RowHeadersBounds.Top) cell->Neighbors.Include(nTop);
  if (item->Level() != 0) cell->Neighbors.Include(nLeft);
  if (LastLeafOf(item)->NextLeaf()) cell->Neighbors.Include(nBottom);
  if (item->HasChildren()) cell->Neighbors.Include(nRight);
  cell->SizableObject = field;
  if (item->IsGrandTotal() && grid_->ViewData()->RowCount() == 1) cell->SizableObject = grid_->OptionsView();
  InitHeaderCell(cell, item);
  RowHeaders.Add(cell);
}

// ---- data cells -------------------------------------------------------------------------------------

TcxPivotGridField* TcxPivotGridViewInfo::GetDataFieldForItem(TcxPivotGridViewDataItem* item) {
  TcxPivotGridFields& data = grid_->DataBuilder()->DataFields();
  if (data.Count() == 0) return nullptr;
  if (data.Count() == 1) return data[0];
  for (auto* i = item; i; i = i->Parent())
    if (i->IsDataItem()) return i->GetField();
  for (int i = data.Count() - 1; i >= 0; --i)
    if (data[i]->SummaryVariation() == svNone) return data[i];
  return nullptr;
}

void TcxPivotGridViewInfo::CalculateDataCells() {
  int y = DataBounds.Top;
  for (auto* row : RowItems) {
    int x = DataBounds.Left;
    for (auto* column : ColumnItems) {
      AddDataCell(row, column, y, x, row->LeafIndex(), column->LeafIndex());
      x += column->GetSize();
    }
    y += row->GetSize();
  }
  if (DataCells.Count() == 0) {
    auto* cell = new TcxPivotGridHeaderBackgroundCellViewInfo(Painter, BackgroundParams, Bounds, DataBounds);
    cell->Area = faData;
    cell->DisplayText = cxPivotGridResText("Drop Data Fields Here");
    cell->ShowText = grid_->DataBuilder()->DataFields().Count() == 0 && grid_->OptionsView()->ColumnFields();
    Parts.Add(cell);
  }
}

void TcxPivotGridViewInfo::AddDataCell(TcxPivotGridViewDataItem* row, TcxPivotGridViewDataItem* column, int top,
                                       int left, int rowIndex, int columnIndex) {
  TRect r(left, top, left + column->GetSize(), top + row->GetSize());
  if (HeadersOverlap && left == DataBounds.Left) ++r.Left;
  auto* cell = new TcxPivotGridDataCellViewInfo(Painter, TcxStyleParams(), DataBounds, r);
  switch (grid_->OptionsView()->GridLines()) {
    case pglHorz: cell->Borders = TcxBorders{bBottom}; break;
    case pglVert: cell->Borders = TcxBorders{bRight}; break;
    case pglBoth: cell->Borders = TcxBorders{bRight, bBottom}; break;
    default: break;
  }
  cell->GridLineColor = Painter->GridLineColor();
  cell->Init(row, column,
             GetDataFieldForItem(grid_->OptionsDataField()->Area() == dfaRow ? row : column));
  cell->MarkNarrow = grid_->OptionsView()->MarkNarrowCells();
  cell->RowIndex = rowIndex;
  cell->ColumnIndex = columnIndex;
  if (ExportMode && CloseGridAtEnd) {
    if (rowIndex == grid_->ViewData()->RowCount() - 1) cell->Borders.Include(bBottom);
    if (columnIndex == grid_->ViewData()->ColumnCount() - 1) cell->Borders.Include(bRight);
  }
  DataCells.Add(cell);
  InitCellSelection(cell);
}

void TcxPivotGridViewInfo::InitCellSelection(TcxPivotGridDataCellViewInfo* cell) {
  const TRect& s = SelectionRect;
  bool selected = !ExportMode && !grid_->InDesignMode() && cell->ColumnIndex >= s.Left && cell->ColumnIndex <= s.Right &&
                  cell->RowIndex >= s.Top && cell->RowIndex <= s.Bottom;
  const TRect& sel = grid_->ViewData()->Selection();
  bool focusedGrid = grid_->IsFocused();
  cell->FocusMark = 0;
  if (selected && cell->ColumnIndex == sel.Left && cell->RowIndex == sel.Top) {
    cell->FocusMark = 1;
    if (!focusedGrid) cell->FocusMark = grid_->OptionsSelection()->HideFocusRect() ? 0 : 2;
  }
  cell->Selected = selected && (focusedGrid || !grid_->OptionsSelection()->HideSelection());
  styles_->GetContentParams(cell, cell->ViewParams);
}

void TcxPivotGridViewInfo::UpdateCellSelection(TcxPivotGridDataCellViewInfo* cell) {
  bool was = cell->Selected;
  int oldMark = cell->FocusMark;
  InitCellSelection(cell);
  if ((was || cell->Selected || oldMark != cell->FocusMark) && cell->Visible) grid_->InvalidateRect(cell->VisibleBounds);
}

void TcxPivotGridViewInfo::UpdateSelection() {
  SelectionRect = grid_->ViewData()->NormalizedSelection();
  for (int i = 0; i < DataCells.Count(); ++i) UpdateCellSelection(static_cast<TcxPivotGridDataCellViewInfo*>(DataCells[i]));
}

void TcxPivotGridViewInfo::AddFiller(const TRect& r) {
  if (ExportMode) return;
  TRect visible;
  if (!IntersectRectsOrEmpty(visible, r, Bounds)) return;
  Parts.Add(new TcxPivotGridCustomCellViewInfo(Painter, BackgroundParams, Bounds, visible));
}

bool TcxPivotGridViewInfo::GetHitTest(TcxPivotGridHitTest* hitTest) {
  return FieldHeaders.GetHitTest(hitTest) || ColumnHeaders.GetHitTest(hitTest) || RowHeaders.GetHitTest(hitTest) ||
         Parts.GetHitTest(hitTest) || DataCells.GetHitTest(hitTest);
}

void TcxPivotGridViewInfo::ReleaseImages(TCustomImageList* images) {
  for (TcxPivotGridCells* list : {&FieldHeaders, &ColumnHeaders, &RowHeaders})
    for (auto* c : list->List())
      if (auto* h = dynamic_cast<TcxPivotGridHeaderCellViewInfo*>(c))
        if (h->Images == images) {
          h->Images = nullptr;
          h->ImageIndex = -1;
        }
}

void TcxPivotGridViewInfo::ClearCells() {
  grid_->Controller()->ResetCells();
  FieldHeaders.Clear();
  ColumnHeaders.Clear();
  RowHeaders.Clear();
  Parts.Clear();
  DataCells.Clear();
  DropAreas.clear();
  ColumnItems.clear();
  RowItems.clear();
  placed_.clear();
}
