// The grid export link and the table view exporter.
#include "export/cxExportGrid4Link.h"

#include <algorithm>

#include "data/cxDBData.h"
#include "editors-extra/cxCalendar.h"
#include "editors-extra/cxSpinEdit.h"
#include "editors-extra/cxTimeEdit.h"
#include "export/cxExportPivotGridLink.h"
#include "grid/cxGridDBDataDefinitions.h"
#include "gridviews/cxGridRows.h"
#include "vcl/Graphics.h"

KORVAN_IMPLEMENT_CLASS(TcxGridExportTableMapLine)
KORVAN_IMPLEMENT_CLASS(TcxGridExportTableMap)
KORVAN_IMPLEMENT_CLASS(TcxGridCustomExport)
KORVAN_IMPLEMENT_CLASS(TcxGridTableViewExport)

namespace {

constexpr Integer cxGroupIndentWidth = 16;
constexpr Integer cxExpandSignWidth = 17;

TcxCacheCellStyle ButtonFaceStyle() {
  TcxCacheCellStyle style = DefaultCellStyle();
  style.BrushBkColor = ExportColor(clBtnFace);
  return style;
}

TcxCacheCellStyle IndentStyle() {
  TcxCacheCellStyle style = ButtonFaceStyle();
  style.Borders[1].Width = 0;
  style.Borders[3].Width = 0;
  return style;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The column map

void TcxGridExportTableMapLine::AddItem(Integer col, Integer colCount, Integer lineCount, Integer itemIndex,
                                        const String& text) {
  items_.push_back(TcxGridExportTableMapItem{lineCount, itemIndex, col, text, colCount});
}

void TcxGridExportTableMap::AddBoundary(Integer pos) {
  pos = std::max<Integer>(pos, 0);
  Integer sum = 0;
  for (size_t i = 0; i < widths_.size(); ++i) {
    if (sum == pos) return;
    Integer next = sum + widths_[i];
    if (next > pos) {
      widths_.insert(widths_.begin() + Integer(i), pos - sum);
      widths_[i + 1] = next - pos;
      return;
    }
    sum = next;
  }
  if (pos > sum) widths_.push_back(pos - sum);
}

Integer TcxGridExportTableMap::ColumnIndexAt(Integer pos) const {
  if (pos <= 0) return 0;
  Integer sum = 0;
  for (size_t i = 0; i < widths_.size(); ++i) {
    sum += widths_[i];
    if (sum >= pos) return Integer(i) + 1;
  }
  return ColumnCount() - 1;
}

void TcxGridExportTableMap::PositionToColumns(Integer& left, Integer& width) const {
  Integer oldLeft = left;
  left = ColumnIndexAt(oldLeft);
  width = ColumnIndexAt(oldLeft + width) - left;
}

void TcxGridExportTableMap::AddItem(Integer left, Integer line, Integer width, Integer lineCount, Integer itemIndex,
                                    const String& text) {
  PositionToColumns(left, width);
  while (LineCount() <= line) lines_.push_back(std::make_unique<TcxGridExportTableMapLine>());
  lines_[size_t(line)]->AddItem(left, width, lineCount, itemIndex, text);
}

// ---------------------------------------------------------------------------------------------
// The base exporter

TcxGridCustomExport::TcxGridCustomExport(const String& fileName, Integer exportType, TcxCustomGridView* gridView,
                                         TcxCustomGrid* grid, TcxGridTableViewInfo* viewInfo)
    : gridView_(gridView), grid_(grid), viewInfo_(viewInfo), fileName_(fileName), exportType_(exportType) {
  try {
    provider_ = std::dynamic_pointer_cast<IcxExportProvider>(TcxExport::Provider(exportType, fileName));
  } catch (const EFCreateError&) {
    throw EcxGridExport(cxGetResString(scxCantCreateExportOutputFile));
  }
}

TcxGridCustomExport::~TcxGridCustomExport() = default;

void TcxGridCustomExport::InitializeDefaultStyle() { throw EAbstractError("Abstract Error"); }
Integer TcxGridCustomExport::CalculateRowCount() { throw EAbstractError("Abstract Error"); }
void TcxGridCustomExport::ExportCells() { throw EAbstractError("Abstract Error"); }
void TcxGridCustomExport::DoExport() { throw EAbstractError("Abstract Error"); }

void TcxGridCustomExport::ExportContent() {
  if (auto* target = dynamic_cast<IcxExportSeparators*>(provider_.get()))
    for (const String& s : Separators) target->AddSeparator(s);
}

void TcxGridCustomExport::AddRecordToExport(Integer rowIndex, bool detailsWhole) {
  records_.emplace_back(rowIndex, detailsWhole);
}

Byte TcxGridCustomExport::MapAlignment(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify: return catRight;
    case taCenter: return catCenter;
    default: return catLeft;
  }
}

bool TcxGridCustomExport::IsNativeValueProperties(TcxCustomEditProperties* properties) {
  return dynamic_cast<TcxDateEditProperties*>(properties) || dynamic_cast<TcxSpinEditProperties*>(properties) ||
         dynamic_cast<TcxTimeEditProperties*>(properties);
}

void TcxGridCustomExport::ViewParamsToStyle(const TcxStyleParams& params, TcxCacheCellStyle& style) {
  cxViewParamsToStyle(params, style);
}

// ---------------------------------------------------------------------------------------------
// The table view exporter

TcxGridTableView* TcxGridTableViewExport::View() const { return static_cast<TcxGridTableView*>(gridView_); }

void TcxGridTableViewExport::InitializeDefaultStyle() { provider_->SetDefaultStyle(DefaultCellStyle()); }

void TcxGridTableViewExport::ApplyGridLines(TcxCacheCellStyle& style) const {
  TcxGridLines lines = View()->GetOptionsView()->GridLines();
  Integer horz = lines == glBoth || lines == glHorizontal ? 1 : 0;
  Integer vert = lines == glBoth || lines == glVertical ? 1 : 0;
  style.Borders[0].Width = style.Borders[2].Width = vert;
  style.Borders[1].Width = style.Borders[3].Width = horz;
}

void TcxGridTableViewExport::ExpandRows() {
  TcxGridViewData* data = View()->GetViewData();
  View()->BeginUpdate();
  try {
    if (SaveAll) {
      data->ExpandAll(true);
    } else {
      for (Integer i = 0; i < data->GetRowCount(); ++i) {
        TcxCustomGridRow* row = data->GetRow(i);
        if (!row->Selected() || !row->GetExpandable() || row->GetExpanded()) continue;
        Integer before = data->GetRowCount();
        row->ExpandRecord(true);
        i += data->GetRowCount() - before;
      }
    }
  } catch (...) {
    View()->EndUpdate();
    throw;
  }
  View()->EndUpdate();
}

void TcxGridTableViewExport::BuildColumnMap() {
  TcxGridTableViewInfo* viewInfo = viewInfo_ ? viewInfo_ : View()->GetViewInfo();
  TcxGridHeaderViewInfo* header = viewInfo->HeaderViewInfo();
  Integer count = header->GetItemViewInfoCount();
  std::vector<Integer> widths;
  Integer sum = 0;
  for (Integer i = 0; i < count; ++i) {
    TRect b = header->GetItemViewInfo(i)->Bounds;
    widths.push_back(b.Right - b.Left);
    sum += widths.back();
    map_.AddBoundary(sum);
  }
  if (View()->GetVisibleColumnCount() > 0) {
    Integer indent = 0;
    for (int i = 0; i < View()->DataController()->Groups()->GroupingLevelCount(); ++i) {
      indent += cxGroupIndentWidth;
      map_.AddBoundary(indent);
    }
  }
  Integer left = 0;
  for (Integer i = 0; i < count; ++i) {
    TcxGridColumn* column = header->GetItemViewInfo(i)->Column();
    map_.AddItem(left, 0, widths[size_t(i)], 1, column->Index(), column->Caption());
    left += widths[size_t(i)];
  }
}

void TcxGridTableViewExport::CollectGridModeSelection() {
  auto* dc = static_cast<TcxGridDBDataController*>(View()->DataController());
  TDataSet* dataSet = dc->BoundDataSet();
  // The data set's record numbers of the selected rows: grid-mode record indexes point into
  // the grid-mode window and mean nothing once every record is loaded.
  std::vector<Integer> recNos;
  TBookmarkStr saved = dataSet->Bookmark();
  try {
    std::vector<int> selected;
    for (int i = 0; i < dc->CountSelectedRows(); ++i) selected.push_back(i);
    for (int i : selected)
      if (dc->FocusSelectedRow(i)) recNos.push_back(dataSet->RecNo());
  } catch (...) {
    if (!saved.empty()) dataSet->SetBookmark(saved);
    throw;
  }
  if (!saved.empty()) dataSet->SetBookmark(saved);
  dc->DataModeController()->SetGridMode(false);
  // Every record loaded in data set order: record index = record number - 1.
  TcxGridViewData* data = View()->GetViewData();
  for (Integer recNo : recNos)
    for (Integer i = 0; i < data->GetRowCount(); ++i)
      if (data->GetRow(i)->IsDataRecord() && data->GetRow(i)->RecordIndex() == recNo - 1) {
        AddRecordToExport(i, true);
        break;
      }
}

void TcxGridTableViewExport::CollectSelectedRecords() {
  if (View()->DataController()->IsGridMode() &&
      dynamic_cast<TcxGridDBDataController*>(View()->DataController())) {
    CollectGridModeSelection();
    return;
  }
  TcxGridViewData* data = View()->GetViewData();
  Integer threshold = 0;
  std::vector<bool> added(size_t(data->GetRowCount()), false);
  auto add = [&](Integer i) {
    if (added[size_t(i)]) return;
    added[size_t(i)] = true;
    AddRecordToExport(i, true);
  };
  // The parent group rows of row a, outermost first.
  auto addParents = [&](Integer a) {
    std::vector<Integer> parents;
    Integer level = data->GetRow(a)->Level();
    for (Integer i = a - 1; i >= 0 && level > 0; --i) {
      TcxCustomGridRow* row = data->GetRow(i);
      if (row->Level() < level) {
        parents.push_back(i);
        level = row->Level();
      }
    }
    for (auto it = parents.rbegin(); it != parents.rend(); ++it) add(*it);
  };
  for (Integer i = 0; i < data->GetRowCount(); ++i) {
    TcxCustomGridRow* row = data->GetRow(i);
    if (threshold > 0) {
      if (row->Level() >= threshold) {
        add(i);
        continue;
      }
      threshold = 0;
    }
    if (row->Selected()) {
      addParents(i);
      add(i);
      threshold = row->Level() + 1;
    }
  }
}

Integer TcxGridTableViewExport::ExportedRowCount() const {
  return SaveAll ? View()->GetViewData()->GetRowCount() : RecordToExportCount();
}

Integer TcxGridTableViewExport::ExportedRowIndex(Integer i) const { return SaveAll ? i : RecordToExport(i); }

Integer TcxGridTableViewExport::CalculateRowCount() {
  Integer count = View()->GetOptionsView()->Header() ? GetRecordLineCount() : 0;
  TcxGridViewData* data = View()->GetViewData();
  for (Integer i = 0; i < ExportedRowCount(); ++i)
    count += dynamic_cast<TcxGridGroupRow*>(data->GetRow(ExportedRowIndex(i))) ? 1 : GetRecordLineCount();
  return count;
}

void TcxGridTableViewExport::ExportCells() {
  InitializeDefaultStyle();
  if (!SaveAll) CollectSelectedRecords();
  if (View()->GetVisibleColumnCount() == 0) return;
  if (!SaveAll && RecordToExportCount() == 0 && !View()->GetOptionsView()->Header()) return;
  ColCount = map_.ColumnCount();
  RowCount = CalculateRowCount();
  if (ColCount > 0 && RowCount > 0) provider_->SetRange(ColCount, RowCount, false);
  for (Integer i = 0; i < ColCount; ++i) provider_->SetColumnWidth(i, map_.ColumnWidths(i));
  ExportRows(0);
}

void TcxGridTableViewExport::ExportContent() {
  TcxGridCustomExport::ExportContent();
  if (Expand) ExpandRows();
  BuildColumnMap();
  ExportCells();
}

void TcxGridTableViewExport::DoExport() {
  ExportContent();
  TcxGridLines lines = View()->GetOptionsView()->GridLines();
  if ((lines == glBoth || lines == glVertical) && ColCount > 0)
    for (Integer r = 0; r < RowCount; ++r) {
      const TcxCacheCellStyle* current = provider_->GetCellStyle(ColCount - 1, r);
      if (!current) continue;
      TcxCacheCellStyle style = *current;
      style.Borders[2].Width = 1;
      provider_->SetCellStyle(ColCount - 1, r, provider_->RegisterStyle(style));
    }
  provider_->Commit();
}

void TcxGridTableViewExport::ExportIndents(Integer row, Integer count) {
  TcxGridLines lines = View()->GetOptionsView()->GridLines();
  bool horz = lines == glBoth || lines == glHorizontal;
  for (Integer col = 0; col < count; ++col) {
    TcxCacheCellStyle style = IndentStyle();
    if (!horz) style.Borders[0].Width = style.Borders[2].Width = 0;
    TcxStyleParams params;
    View()->GetStyles()->GetGroupParams(nullptr, col, params);
    ViewParamsToStyle(params, style);
    provider_->SetCellStyle(col, row, provider_->RegisterStyle(style));
  }
}

void TcxGridTableViewExport::ExportHeaderLine(Integer row) {
  TcxGridExportTableMapLine* line = map_.Lines(0);
  for (Integer j = 0; j < line->Count(); ++j) {
    TcxGridExportTableMapItem item = line->GetItem(j);
    TcxGridColumn* column = View()->GetColumn(item.ItemIndex);
    TcxCacheCellStyle style = ButtonFaceStyle();
    style.AlignText = MapAlignment(column->HeaderAlignmentHorz());
    TcxStyleParams params;
    View()->GetStyles()->GetHeaderParams(column, params);
    ViewParamsToStyle(params, style);
    provider_->SetCellStyleEx(item.Col, row, 1, item.ColCount, provider_->RegisterStyle(style));
    provider_->SetCellDataString(item.Col, row, item.Text);
  }
}

void TcxGridTableViewExport::ExportRecordLine(Integer row, Integer rowIndex, Integer level) {
  TcxCustomGridRow* record = View()->GetViewData()->GetRow(rowIndex);
  bool office11 = View()->GetOptionsView()->GroupRowStyle() == grsOffice11 && level > 0;
  ExportIndents(row, level);
  TcxGridExportTableMapLine* line = map_.Lines(0);
  for (Integer j = 0; j < line->Count(); ++j) {
    TcxGridExportTableMapItem item = line->GetItem(j);
    TcxGridColumn* column = View()->GetColumn(item.ItemIndex);
    Integer col = item.Col, span = 1;
    if (j == 0) {
      col = level;
      if (office11) {
        --col;
        span = 2;
      }
    }
    TcxCacheCellStyle style = DefaultCellStyle();
    ApplyGridLines(style);
    TcxCustomEditProperties* properties = column->GetProperties();
    if (properties) style.AlignText = MapAlignment(properties->Alignment()->Horz());
    TcxStyleParams params;
    View()->GetStyles()->GetContentParams(record, column, params);
    ViewParamsToStyle(params, style);
    provider_->SetCellStyleEx(col, row, 1, span, provider_->RegisterStyle(style));
    if (UseNativeFormat) {
      if (IsNativeValueProperties(properties))
        provider_->SetCellValue(col, row, record->GetValue(column->Index()));
      else
        provider_->SetCellValue(col, row, Variant(GetCellText(record, column)));
    } else {
      provider_->SetCellDataString(col, row, GetCellText(record, column));
    }
  }
}

String TcxGridTableViewExport::GetCellText(TcxCustomGridRow* record, TcxGridColumn* column) {
  TcxCustomEditProperties* properties = column->GetProperties();
  if (properties && !properties->UsesFieldDisplayText(false))
    return properties->ValueToDisplayText(record->GetValue(column->Index()), true, true);
  return record->GetDisplayText(column->Index());
}

void TcxGridTableViewExport::ExportRows(Integer row) {
  Integer first = row;
  if (View()->GetOptionsView()->Header()) {
    ExportHeaderLine(row);
    row += GetRecordLineCount();
  }
  TcxGridViewData* data = View()->GetViewData();
  bool alwaysExpanded = View()->DataController()->GetOptions().Contains(dcoGroupsAlwaysExpanded);
  for (Integer i = 0; i < ExportedRowCount(); ++i) {
    Integer rowIndex = ExportedRowIndex(i);
    TcxCustomGridRow* record = data->GetRow(rowIndex);
    Integer level = record->Level();
    if (auto* group = dynamic_cast<TcxGridGroupRow*>(record)) {
      TcxCacheCellStyle sign = ButtonFaceStyle();
      sign.AlignText = catCenter;
      provider_->SetCellStyle(level, row, provider_->RegisterStyle(sign));
      provider_->SetCellDataString(level, row, group->GetExpanded() ? "-" : "+");
      provider_->SetColumnWidth(level, cxExpandSignWidth);
      ExportIndents(row, level);
      TcxCacheCellStyle style = ButtonFaceStyle();
      style.AlignText = catLeft;
      ApplyGridLines(style);
      TcxStyleParams params;
      View()->GetStyles()->GetGroupParams(group, level, params);
      ViewParamsToStyle(params, style);
      Integer col = alwaysExpanded ? level : level + 1;
      if (col < ColCount) {
        provider_->SetCellStyleEx(col, row, 1, ColCount - col, provider_->RegisterStyle(style));
        provider_->SetCellDataString(col, row, group->GetGroupText());
      }
      ++row;
    } else {
      ExportRecordLine(row, rowIndex, level);
      row += GetRecordLineCount();
    }
  }
  // The bottom frame of the last row.
  if (row > first) {
    Integer last = row - 1;
    for (Integer i = 0; i < map_.Lines(0)->Count(); ++i) {
      const TcxCacheCellStyle* current = provider_->GetCellStyle(i, last);
      if (!current) continue;
      if (current->Borders[3].Width != 0) break;
      TcxCacheCellStyle style = *current;
      style.Borders[3].Width = 1;
      provider_->SetCellStyle(i, last, provider_->RegisterStyle(style));
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Entry points

namespace {

TClass ExporterClassOf(TcxCustomGrid* grid) {
  if (!grid->ActiveLevel()) throw EcxGridExport(cxGetResString(scxActiveGridLevelDoesNotExist));
  TcxCustomGridView* view = grid->FocusedView();
  if (!view) throw EcxGridExport(cxGetResString(scxGridViewDoesNotExist));
  if (dynamic_cast<TcxGridTableView*>(view)) return TcxGridTableViewExport::StaticClass();
  return TcxGridCustomExport::StaticClass();
}

}  // namespace

void ExportGridToFile(String fileName, Integer exportType, TcxCustomGrid* grid, bool expand, bool saveAll,
                      bool useNativeFormat, const String& separator, const String& beginString,
                      const String& endString, const String& fileExt) {
  InitializeCxExportGrid4Link();
  if (!grid) return;
  if (!fileExt.empty()) fileName = ChangeFileExt(fileName, "." + fileExt);
  TClass exporterClass = ExporterClassOf(grid);
  TcxCustomGridView* view = grid->FocusedView();
  std::unique_ptr<TcxGridCustomExport> exporter;
  if (exporterClass == TcxGridTableViewExport::StaticClass())
    exporter = std::make_unique<TcxGridTableViewExport>(fileName, exportType, view, grid, nullptr);
  else
    exporter = std::make_unique<TcxGridCustomExport>(fileName, exportType, view, grid, nullptr);
  exporter->Expand = expand;
  exporter->SaveAll = saveAll;
  exporter->UseNativeFormat = useNativeFormat;
  exporter->Separators = {separator, beginString, endString};
  // The text writers create their file when they commit.
  auto run = [&] {
    try {
      exporter->DoExport();
    } catch (const EFCreateError&) {
      throw EcxGridExport(cxGetResString(scxCantCreateExportOutputFile));
    }
  };
  if (auto* dc = dynamic_cast<TcxGridDBDataController*>(view->DataController())) {
    TcxDBDataModeController* mode = dc->DataModeController();
    bool gridMode = mode->GridMode();
    if (!gridMode || saveAll) mode->SetGridMode(false);
    try {
      run();
    } catch (...) {
      mode->SetGridMode(gridMode);
      throw;
    }
    mode->SetGridMode(gridMode);
  } else {
    run();
  }
}

void ExportGridToHtml(const String& fileName, TcxCustomGrid* grid, bool expand, bool saveAll, const String& fileExt) {
  ExportGridToFile(fileName, cxExportToHtml, grid, expand, saveAll, false, "", "", "", fileExt);
}

void InitializeCxExportGrid4Link() { InitializeCxExportPivotGridLink(); }
