#include "editors-extra/cxLookupDBGrid.h"

#include <algorithm>

#include "data/cxCustomDataInternal.h"
#include "editors-extra/cxEditDBRegisteredRepositoryItems.h"
#include "rtl/SysUtils.h"

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxLookupDBGridColumn) {}
KORVAN_IMPLEMENT_CLASS(TcxLookupDBGridColumns)
KORVAN_IMPLEMENT_CLASS(TcxCustomLookupDBGrid)
KORVAN_IMPLEMENT_CLASS(TcxLookupDBGrid)

namespace {
TcxLookupGridDBDataController* ControllerOf(const TcxLookupGridColumn* column) {
  auto* grid = dynamic_cast<TcxCustomLookupDBGrid*>(column->Grid());
  return grid ? grid->DBDataController() : nullptr;
}
}  // namespace

// ---- column ---------------------------------------------------------------------------------

void TcxLookupDBGridColumn::Assign(TPersistent* source) {
  if (auto* src = dynamic_cast<TcxLookupDBGridColumn*>(source)) SetFieldName(src->FieldName());
  TcxLookupGridColumn::Assign(source);
}

String TcxLookupDBGridColumn::FieldName() const {
  TcxLookupGridDBDataController* dc = ControllerOf(this);
  return dc ? dc->ItemFieldName(Index()) : pendingName_;
}

void TcxLookupDBGridColumn::SetFieldName(const String& v) {
  pendingName_ = v;
  if (TcxLookupGridDBDataController* dc = ControllerOf(this)) dc->ChangeItemFieldName(Index(), v);
  ReportChanged();
}

TField* TcxLookupDBGridColumn::Field() const {
  TcxLookupGridDBDataController* dc = ControllerOf(this);
  return dc ? dc->ItemDataSetField(Index()) : nullptr;
}

String TcxLookupDBGridColumn::GetDefaultCaption() const {
  TField* f = Field();
  return f ? f->DisplayName() : FieldName();
}

TcxEditRepositoryItem* TcxLookupDBGridColumn::GetDefaultRepositoryItem() {
  return GetDefaultEditDBRepositoryItems()->GetItemByField(Field());
}

Integer TcxLookupDBGridColumn::CalcDefaultWidth() const {
  TField* f = Field();
  TcxCustomLookupGrid* grid = Grid();
  Integer width = 64;
  if (f && grid) {
    TcxScreenCanvas canvas;
    canvas.ApplyFont(grid->ViewInfo()->GetContentFont());
    width = canvas.MeasureTextWidth("0") * f->DisplayWidth() + 4;
    if (grid->Options()->ShowHeader()) {
      const Integer header = grid->Painter()->LFPainter()->HeaderWidthForText(
          &canvas, cxBordersAll, Caption(), grid->ViewInfo()->GetHeaderFont());
      width = std::max(width, header);
    }
  }
  return CheckWidth(width);
}

TcxLookupDBGridColumn* TcxLookupDBGridColumns::FindByFieldName(const String& name) const {
  for (Integer i = 0; i < Count(); ++i)
    if (AnsiCompareText(Column(i)->FieldName(), name) == 0) return Column(i);
  return nullptr;
}

// ---- data controller ------------------------------------------------------------------------

TcxLookupGridDBDataController::TcxLookupGridDBDataController(TcxCustomLookupGrid* grid)
    : TcxDBDataController(grid), grid_(grid) {
  DataModeController()->SetSyncMode(false);
  DataModeController()->SyncInserts = false;
}

TObject* TcxLookupGridDBDataController::GetItem(int index) {
  if (index >= 0 && index < grid_->Columns()->Count()) return grid_->Columns()->Column(index);
  return TcxDBDataController::GetItem(index);
}

void TcxLookupGridDBDataController::GridModeScrolled() {
  TcxDBDataController::GridModeScrolled();
  if (IsDataSetSequenced()) grid_->RefreshScrollBars();
}

// ---- grid -----------------------------------------------------------------------------------

TcxCustomLookupDBGrid::TcxCustomLookupDBGrid(TComponent* owner) : TcxCustomLookupGrid(owner) {
  ReplaceDataController(new TcxLookupGridDBDataController(this));
  ReplaceColumns(new TcxLookupDBGridColumns(this, TcxLookupDBGridColumn::StaticClass()));
}

void TcxCustomLookupDBGrid::SetFieldNames(const String& names) {
  BeginUpdate();
  cxdata_internal::Finally end{[this] { EndUpdate(); }};
  Columns()->Clear();
  std::vector<String> list;
  if (!Trim(names).empty()) SplitFieldNames(names, list);
  for (String& n : list) n = Trim(n);
  CreateColumnsForFields(list);
}

void TcxCustomLookupDBGrid::CreateColumnsForFields(const std::vector<String>& names) {
  BeginUpdate();
  cxdata_internal::Finally end{[this] { EndUpdate(); }};
  for (const String& name : names) DBColumns()->AddColumn()->SetFieldName(name);
}

void TcxCustomLookupDBGrid::MoveFocusedRow(int delta) {
  TcxLookupGridDBDataController* dc = DBDataController();
  const int row = FocusedRowIndex();
  const bool atEdge = delta > 0 ? row == RowCount() - 1 : row == 0;
  if (dc->IsGridMode() && RowCount() > 0 && atEdge && !(delta > 0 ? dc->IsEOF() : dc->IsBOF())) {
    // The window moves by one record; the focused record keeps its place when it did.
    const Variant key = dc->GetRecordId(dc->FocusedRecordIndex());
    dc->ScrollInGridMode(delta > 0 ? 1 : -1);
    const int record = dc->LocateByKey(key);
    if (record >= 0) dc->ChangeFocusedRecordIndex(record);
  }
  TcxCustomLookupGrid::MoveFocusedRow(delta);
}

bool TcxCustomLookupDBGrid::InSequencedGridMode() {
  return DBDataController()->IsGridMode() && DBDataController()->IsDataSetSequenced();
}

void TcxCustomLookupDBGrid::ComputeScrollBarData() {
  if (!InSequencedGridMode()) {
    TcxCustomLookupGrid::ComputeScrollBarData();
    return;
  }
  const int visible = ViewInfo()->VisibleRowCount;
  StoreScrollBarParams(sbVertical, 0, DBDataController()->DataSetRecordCount() + visible - 2, 1, visible,
                       DBDataController()->DataSetRecNo() - 1, true, true);
}

void TcxCustomLookupDBGrid::PanScroll(TScrollBarKind kind, TScrollCode code, Integer& position) {
  if (kind != sbVertical || !InSequencedGridMode()) {
    TcxCustomLookupGrid::PanScroll(kind, code, position);
    return;
  }
  Word key = 0;
  switch (code) {
    case scLineUp: key = VK_UP; break;
    case scLineDown: key = VK_DOWN; break;
    case scPageUp: key = VK_PRIOR; break;
    case scPageDown: key = VK_NEXT; break;
    case scPosition: DBDataController()->MoveDataSetToRecNo(position + 1); break;
    default: break;
  }
  if (key) KeyDown(key, TShiftState());
  position = DBDataController()->DataSetRecNo() - 1;
}
