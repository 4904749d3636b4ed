#include "tests/grid/RowView.h"

#include <algorithm>

#include "editors/cxTextEdit.h"

namespace gridtest {

KORVAN_IMPLEMENT_CLASS(TRowRecordViewInfo)
Integer TRowRecordViewInfo::Created = 0;
KORVAN_IMPLEMENT_CLASS(TRowRecordPainter)
KORVAN_IMPLEMENT_CLASS(TRowsViewInfo)
KORVAN_IMPLEMENT_CLASS(TTestPart)
KORVAN_IMPLEMENT_CLASS(TRowsTableViewInfo)
KORVAN_IMPLEMENT_CLASS(TRowsViewData)
KORVAN_IMPLEMENT_CLASS(TRowsItem)
KORVAN_IMPLEMENT_CLASS(TRowsController)
KORVAN_IMPLEMENT_CLASS(TRowsView)

namespace {
struct TRowPainterRegistration {
  TRowPainterRegistration() {
    RegisterGridCellPainterFactory(TRowRecordPainter::StaticClass(),
                                   [](TcxCanvas* c, TcxCustomGridCellViewInfo* v) -> TcxCustomGridCellPainter* {
                                     return new TRowRecordPainter(c, v);
                                   });
  }
} rowPainterRegistration;

TRowsView* ViewOf(TcxCustomGridRecordViewInfo* info) { return static_cast<TRowsView*>(info->GridView()); }
}  // namespace

// ---- row ---------------------------------------------------------------------------------------

TRowRecordViewInfo::TRowRecordViewInfo(TcxCustomGridRecordsViewInfo* owner, TcxCustomGridRecord* record)
    : TcxCustomGridRecordViewInfo(owner, record) {
  ++Created;
  TcxCustomGridTableView* view = TableView();
  for (Integer i = 0; i < view->VisibleItemCount(); ++i)
    cells_.push_back(new TcxGridTableDataCellViewInfo(this, view->VisibleItems(i)));
}

TRowRecordViewInfo::~TRowRecordViewInfo() {
  for (TcxGridTableDataCellViewInfo* cell : cells_) delete cell;
}

TcxGridTableDataCellViewInfo* TRowRecordViewInfo::GetCellViewInfoByItem(TcxCustomGridTableItem* item) {
  for (TcxGridTableDataCellViewInfo* cell : cells_)
    if (cell->Item() == item) return cell;
  return nullptr;
}

void TRowRecordViewInfo::GetItemCellBounds(TcxCustomGridTableItem* item, TRect& r) {
  TcxGridTableDataCellViewInfo* cell = GetCellViewInfoByItem(item);
  r = cell ? cell->Bounds : TRect();
}

Integer TRowRecordViewInfo::CalculateHeight() {
  Integer fixed = ViewOf(this)->RowHeight;
  if (fixed > 0 && !HasVariableHeight()) return fixed;
  Integer h = 0;
  for (TcxGridTableDataCellViewInfo* cell : cells_) {
    cell->Bounds = TRect(0, 0, cell->Item()->Width(), 0);
    h = std::max(h, cell->CalculateHeight());
  }
  return h;
}

Integer TRowRecordViewInfo::CalculateWidth() {
  Integer w = 0;
  for (TcxGridTableDataCellViewInfo* cell : cells_) w += cell->Item()->Width();
  return w;
}

void TRowRecordViewInfo::CalculateAt(Integer left, Integer top, Integer width, Integer height) {
  TcxCustomGridRecordViewInfo::CalculateAt(left, top, width, height);
  Integer x = Bounds.Left;
  for (TcxGridTableDataCellViewInfo* cell : cells_) {
    cell->ResetCalculated();
    cell->CalculateAt(x, Bounds.Top, cell->Item()->Width(), Bounds.Height());
    x += cell->Item()->Width();
  }
}

void TRowRecordViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxCustomGridRecordViewInfo::OffsetBounds(dx, dy);
  for (TcxGridTableDataCellViewInfo* cell : cells_) cell->OffsetBounds(dx, dy);
}

TcxCustomGridHitTest* TRowRecordViewInfo::GetHitTest(const TPoint& p) {
  if (!Bounds.Contains(p)) return nullptr;
  for (TcxGridTableDataCellViewInfo* cell : cells_)
    if (TcxCustomGridHitTest* h = cell->GetHitTest(p)) return h;
  return TcxCustomGridRecordViewInfo::GetHitTest(p);
}

TcxCustomGridCellPainterClass TRowRecordViewInfo::GetPainterClass() { return TRowRecordPainter::StaticClass(); }

void TRowRecordPainter::DrawCells() {
  auto* row = static_cast<TRowRecordViewInfo*>(RecordViewInfo());
  for (Integer i = 0; i < row->CellCount(); ++i) row->Cell(i)->Paint(Canvas());
}

// ---- rows layout --------------------------------------------------------------------------------

Integer TRowsViewInfo::GetItemTopBound(Integer index) {
  TcxCustomGridRecordViewInfo* item = Items(index);
  Integer h = item->GetCachedHeight();
  if (GridViewInfo()->CalculateDown)
    return index == 0 ? ContentBounds.Top : Items(index - 1)->Bounds.Bottom;
  return (index == 0 ? ContentBounds.Bottom : Items(index - 1)->Bounds.Top) - h;
}

Integer TRowsViewInfo::GetPixelScrollSize(Integer count) {
  Integer pixels = 0;
  for (Integer i = 0; i < std::abs(count) && i < Count(); ++i) pixels += Items(i)->GetCachedHeight();
  return pixels;
}

void TRowsViewInfo::CalculateItems() {
  for (Integer i = 0; FetchRecordViewInfo(i); ++i) {
    CalculateItem(i);
    TRect r = Items(i)->Bounds;
    if (GridViewInfo()->CalculateDown ? r.Bottom >= ContentBounds.Bottom : r.Top <= ContentBounds.Top) break;
  }
  CalculateVisibleCount();
}

void TRowsViewInfo::CalculateVisibleCount() {
  // Fully shown rows; a single row taller than the area still counts.
  VisibleCount = 0;
  for (Integer i = 0; i < Count(); ++i) {
    TRect r = Items(i)->Bounds;
    if (!Items(i)->Calculated()) break;
    bool inside = r.Top >= ContentBounds.Top && r.Bottom <= ContentBounds.Bottom;
    if (!inside && i > 0) break;
    ++VisibleCount;
    if (!inside) break;
  }
}

Integer TRowsViewInfo::GetRecordsPerPage() {
  Integer h = static_cast<TRowsView*>(GridView())->RowHeight;
  return h > 0 ? std::max(1, ContentBounds.Height() / h) : -1;
}

void TRowsTableViewInfo::CreateViewParts() {
  for (auto& spec : PartSpecs) {
    auto* part = new TTestPart(this);
    part->Alignment = spec.first;
    part->PartHeight = spec.second;
    part->Register();
    TestParts.push_back(part);
  }
}

void TRowsTableViewInfo::DestroyViewParts() {
  for (TTestPart* part : TestParts) delete part;
  TestParts.clear();
}

}  // namespace gridtest
