// The grid export link and the table view exporter.
#include "export/cxExportGrid4Link.h"

#include <algorithm>

#include "data/cxDBData.h"
#include "editors-extra/cxCalc.h"
#include "editors-extra/cxCalendar.h"
#include "editors-extra/cxCurrencyEdit.h"
#include "editors-extra/cxSpinEdit.h"
#include "editors-extra/cxTimeEdit.h"
#include "export/cxExportGridBanded.h"
#include "export/cxExportGridCardChart.h"
#include "export/cxExportPivotGridLink.h"
#include "export/cxHtmlXmlTxtExport.h"
#include "grid/cxGridDBDataDefinitions.h"
#include "gridviews/cxGridBandedTableView.h"
#include "gridviews/cxGridCardView.h"
#include "gridviews/cxGridChartView.h"
#include "gridviews/cxGridRows.h"
#include "vcl/Graphics.h"

KORVAN_IMPLEMENT_CLASS(TcxGridExportTableMapLine)
KORVAN_IMPLEMENT_CLASS(TcxGridExportTableMap)
KORVAN_IMPLEMENT_CLASS(TcxGridCustomExport)
KORVAN_IMPLEMENT_CLASS(TcxGridTableViewExport)

namespace {

constexpr Integer cxGroupIndentWidth = 16;
constexpr Integer cxExpandSignWidth = 17;
// Kinds of cached styles besides the line kinds.
constexpr Integer skIndent = 10, skSign = 11, skGroup = 12;

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
                                         TcxCustomGrid* grid, TcxCustomGridTableViewInfo* viewInfo)
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
  return dynamic_cast<TcxDateEditProperties*>(properties) || dynamic_cast<TcxCurrencyEditProperties*>(properties) ||
         dynamic_cast<TcxSpinEditProperties*>(properties) || dynamic_cast<TcxCalcEditProperties*>(properties) ||
         dynamic_cast<TcxTimeEditProperties*>(properties);
}

void TcxGridCustomExport::ViewParamsToStyle(const TcxStyleParams& params, TcxCacheCellStyle& style) {
  cxViewParamsToStyle(params, style);
}

TcxCustomEditProperties* TcxGridCustomExport::ColumnProperties(TcxCustomGridTableItem* item) {
  auto it = properties_.find(item);
  if (it == properties_.end()) it = properties_.emplace(item, item->GetProperties()).first;
  return it->second;
}

String TcxGridCustomExport::GetCellText(TcxCustomGridRecord* record, TcxCustomGridTableItem* item) {
  TcxCustomEditProperties* properties = ColumnProperties(item);
  String text = properties && !properties->UsesFieldDisplayText(false)
                    ? properties->ValueToDisplayText(record->GetValue(item->Index()), true, true)
                    : record->GetDisplayText(item->Index());
  item->DoGetDisplayText(record, text);
  return text;
}

TcxGridCustomExport::TStyleKey TcxGridCustomExport::StyleKey(Integer kind, const void* owner,
                                                             const TcxStyleParams& params, Integer extra) {
  TFont* font = params.Font;
  return TStyleKey{kind, owner, extra, params.Color, params.TextColor, font != nullptr, font ? font->Name() : String(),
                   font ? font->Size() : 0, font ? Byte(font->Style().ToMask()) : Byte(0),
                   font ? Integer(font->Charset()) : 0};
}

// ---------------------------------------------------------------------------------------------
// The table view exporter

TcxGridTableView* TcxGridTableViewExport::View() const { return static_cast<TcxGridTableView*>(gridView_); }

TcxGridTableViewInfo* TcxGridTableViewExport::TableViewInfo() const {
  return viewInfo_ ? static_cast<TcxGridTableViewInfo*>(viewInfo_) : View()->GetViewInfo();
}

void TcxGridTableViewExport::InitializeDefaultStyle() { provider_->SetDefaultStyle(DefaultCellStyle()); }

void TcxGridTableViewExport::ApplyGridLines(TcxCacheCellStyle& style) const {
  TcxGridLines lines = View()->GetOptionsView()->GridLines();
  Integer horz = lines == glBoth || lines == glHorizontal ? 1 : 0;
  Integer vert = lines == glBoth || lines == glVertical ? 1 : 0;
  style.Borders[0].Width = style.Borders[2].Width = vert;
  style.Borders[1].Width = style.Borders[3].Width = horz;
}

bool TcxGridTableViewExport::HasDetails() const {
  TcxCustomDataController* dc = View()->DataController();
  return dc->HasRelations() && dc->RelationList()->RelationCount() > 0 && View()->Level() &&
         View()->Level()->VisibleCount() > 0;
}

bool TcxGridTableViewExport::PreviewVisible() const { return View()->Preview()->Active(); }

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
  TcxGridHeaderViewInfo* header = TableViewInfo()->HeaderViewInfo();
  Integer count = header->GetItemViewInfoCount();
  std::vector<Integer> widths;
  Integer sum = 0;
  for (Integer i = 0; i < count; ++i) {
    TRect b = header->GetItemViewInfo(i)->Bounds;
    widths.push_back(b.Right - b.Left);
    sum += widths.back();
    map_.AddBoundary(sum);
  }
  if (View()->GetVisibleColumnCount() > 0) AddIndentBoundaries();
  Integer left = 0;
  for (Integer i = 0; i < count; ++i) {
    TcxGridColumn* column = header->GetItemViewInfo(i)->Column();
    map_.AddItem(left, 0, widths[size_t(i)], 1, column->Index(), column->Caption());
    left += widths[size_t(i)];
  }
}

void TcxGridTableViewExport::AddIndentBoundaries() {
  Integer indent = 0;
  for (int i = 0; i < View()->DataController()->Groups()->GroupingLevelCount(); ++i) {
    indent += cxGroupIndentWidth;
    map_.AddBoundary(indent);
  }
  if (HasDetails()) map_.AddBoundary(indent + GetExpandColumnWidth());
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

namespace {

// A detail view shows selected rows (recursively through its expanded master rows).
bool DetailHasSelectedRows(TcxCustomGridView* view) {
  auto* table = dynamic_cast<TcxGridTableView*>(view);
  if (!table) return false;
  TcxGridViewData* data = table->GetViewData();
  for (Integer i = 0; i < data->GetRowCount(); ++i) {
    TcxCustomGridRow* row = data->GetRow(i);
    if (row->Selected()) return true;
    auto* master = dynamic_cast<TcxGridMasterDataRow*>(row);
    if (master && master->GetExpanded() && DetailHasSelectedRows(master->GetActiveDetailGridView())) return true;
  }
  return false;
}

}  // namespace

void TcxGridTableViewExport::CollectSelectedRecords() {
  if (View()->DataController()->IsGridMode() &&
      dynamic_cast<TcxGridDBDataController*>(View()->DataController())) {
    CollectGridModeSelection();
    return;
  }
  TcxGridViewData* data = View()->GetViewData();
  Integer threshold = 0;
  std::vector<bool> added(size_t(data->GetRowCount()), false);
  auto add = [&](Integer i, bool detailsWhole) {
    if (added[size_t(i)]) return;
    added[size_t(i)] = true;
    AddRecordToExport(i, detailsWhole);
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
    for (auto it = parents.rbegin(); it != parents.rend(); ++it) add(*it, true);
  };
  for (Integer i = 0; i < data->GetRowCount(); ++i) {
    TcxCustomGridRow* row = data->GetRow(i);
    if (threshold > 0) {
      if (row->Level() >= threshold) {
        add(i, true);
        continue;
      }
      threshold = 0;
    }
    if (row->Selected()) {
      addParents(i);
      add(i, true);
      threshold = row->Level() + 1;
    } else if (auto* master = dynamic_cast<TcxGridMasterDataRow*>(row);
               master && master->GetExpanded() && DetailHasSelectedRows(master->GetActiveDetailGridView())) {
      addParents(i);
      add(i, false);
    }
  }
}

Integer TcxGridTableViewExport::ExportedRowCount() const {
  return SaveAll ? View()->GetViewData()->GetRowCount() : RecordToExportCount();
}

Integer TcxGridTableViewExport::ExportedRowIndex(Integer i) const { return SaveAll ? i : RecordToExport(i); }

bool TcxGridTableViewExport::ExportedDetailsWhole(Integer i) const { return SaveAll || RecordDetailsWhole(i); }

Integer TcxGridTableViewExport::CalculateRowCount() {
  TcxGridTableOptionsView* options = View()->GetOptionsView();
  Integer count = options->Header() ? GetRecordLineCount() : 0;
  TcxGridViewData* data = View()->GetViewData();
  Integer preview = PreviewVisible() ? 1 : 0;
  for (Integer i = 0; i < ExportedRowCount(); ++i) {
    TcxCustomGridRow* row = data->GetRow(ExportedRowIndex(i));
    if (dynamic_cast<TcxGridGroupRow*>(row)) {
      ++count;
      if (SaveAll && (options->GroupFooters() == gfAlwaysVisible ||
                      (options->GroupFooters() == gfVisibleWhenExpanded && row->GetExpanded())))
        count += GetRecordLineCount();
    } else if (dynamic_cast<TcxGridMasterDataRow*>(row)) {
      count += GetRecordLineCount() + preview + (row->GetExpanded() ? 1 : 0);
    } else {
      count += GetRecordLineCount() + preview;
    }
  }
  if (SaveAll && options->Footer()) count += GetRecordLineCount();
  return count;
}

void TcxGridTableViewExport::ExportCells() {
  InitializeDefaultStyle();
  if (!SaveAll) CollectSelectedRecords();
  if (View()->GetVisibleColumnCount() == 0) return;
  TcxGridTableOptionsView* options = View()->GetOptionsView();
  if (!SaveAll && RecordToExportCount() == 0 && !options->Header() && !options->Footer()) return;
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

namespace {

// A view info of the view's own class laid out downwards from the first record in the bounds;
// with `guardCreation` a failure while creating it gives nullptr too, else only a failure
// while calculating it does.
TcxCustomGridTableViewInfo* MakeDetailViewInfo(TcxCustomGridView* view, const TRect& bounds, bool guardCreation) {
  std::unique_ptr<TObject> made;
  try {
    made.reset(view->GetViewInfoClass()->Create(view));
  } catch (const Exception&) {
    if (!guardCreation) throw;
    return nullptr;
  }
  // A view info of another kind is freed with `made`.
  auto* typed = dynamic_cast<TcxCustomGridTableViewInfo*>(made.get());
  if (!typed) return nullptr;
  made.release();
  std::unique_ptr<TcxCustomGridTableViewInfo> info(typed);
  try {
    info->FirstRecordIndexOverride = 0;
    info->SetInternal(true);
    info->SetClientBounds(bounds);
    info->CreatePartViewInfos();
    info->Calculate();
  } catch (const Exception&) {
    return nullptr;
  }
  return info.release();
}

}  // namespace

TcxCustomGridTableViewInfo* TcxGridTableViewExport::CreateDetailViewInfo(TcxCustomGridView* view,
                                                                         const TRect& bounds) {
  if (!view || dynamic_cast<TcxGridChartView*>(view)) return nullptr;
  return MakeDetailViewInfo(view, bounds, true);
}

TcxCustomGridTableViewInfo* TcxGridTableViewExport::CreateCardDetailViewInfo(TcxCustomGridView* view,
                                                                             const TRect& bounds) {
  if (!view) return nullptr;
  return MakeDetailViewInfo(view, bounds, false);
}

void TcxGridTableViewExport::GetContentStyle(TcxCustomGridRow* record, TcxGridColumn* column,
                                             TcxCacheCellStyle& style) {
  style = DefaultCellStyle();
  ApplyGridLines(style);
  if (TcxCustomEditProperties* properties = ColumnProperties(column))
    style.AlignText = MapAlignment(properties->Alignment()->Horz());
  TcxStyleParams params;
  column->GetStyles()->GetContentParams(record, params);
  ViewParamsToStyle(params, style);
}

void TcxGridTableViewExport::GetPreviewStyle(TcxCustomGridRow* record, TcxCacheCellStyle& style) {
  style = DefaultCellStyle();
  style.FontColor = ExportColor(clBlue);
  ApplyGridLines(style);
  TcxGridColumn* column = View()->Preview()->Column();
  TcxCustomEditProperties* properties = column ? ColumnProperties(column) : nullptr;
  style.AlignText = properties ? MapAlignment(properties->Alignment()->Horz()) : Byte(catLeft);
  TcxStyleParams params;
  if (column)
    View()->GetStyles()->GetContentParams(record, column, params);
  else
    View()->GetStyles()->GetPreviewParams(record, nullptr, params);
  ViewParamsToStyle(params, style);
}

void TcxGridTableViewExport::ExportIndents(Integer row, Integer count) {
  TcxGridLines lines = View()->GetOptionsView()->GridLines();
  bool horz = lines == glBoth || lines == glHorizontal;
  for (Integer col = 0; col < count; ++col) {
    TcxStyleParams params;
    View()->GetStyles()->GetGroupParams(nullptr, col, params);
    provider_->SetCellStyle(col, row, CachedStyle(skIndent, reinterpret_cast<const void*>(intptr_t(col)), params, [&] {
      TcxCacheCellStyle style = IndentStyle();
      if (!horz) style.Borders[0].Width = style.Borders[2].Width = 0;
      ViewParamsToStyle(params, style);
      return style;
    }));
  }
}

void TcxGridTableViewExport::ExportExpandSign(Integer col, Integer row, bool expanded) {
  provider_->SetCellStyle(col, row, CachedStyle(skSign, nullptr, TcxStyleParams(), [] {
    TcxCacheCellStyle sign = ButtonFaceStyle();
    sign.AlignText = catCenter;
    return sign;
  }));
  provider_->SetCellDataString(col, row, expanded ? "-" : "+");
  provider_->SetColumnWidth(col, cxExpandSignWidth);
}

void TcxGridTableViewExport::GetFooterTextAndValue(TcxGridColumn* column, String& text, Variant& value) {
  text.clear();
  value = Variant();
  TcxDataSummary* summary = View()->DataController()->Summary();
  TcxDataSummaryItems* items = summary->FooterSummaryItems();
  for (int i = 0; i < items->Count(); ++i)
    if (items->Items(i)->LinkedItem() == column) {
      if (UseNativeFormat)
        value = summary->FooterSummaryValue(i);
      else
        text = summary->FooterSummaryDisplayText(i);
      return;
    }
}

void TcxGridTableViewExport::GetGroupFooterTextAndValue(TcxGridColumn* column, Integer rowIndex, Integer level,
                                                        String& text, Variant& value) {
  text.clear();
  value = Variant();
  TcxDataSummary* summary = View()->DataController()->Summary();
  int index = summary->IndexOfGroupFooterItem(level, column);
  if (index < 0) {
    value = Null();
    return;
  }
  if (UseNativeFormat)
    value = summary->GroupSummaryValue(rowIndex, level, index);
  else
    text = summary->GroupSummaryDisplayText(rowIndex, level, index);
}

void TcxGridTableViewExport::ExportRecordLines(Integer row, Integer rowIndex, Integer level, Integer kind) {
  TcxGridTableOptionsView* options = View()->GetOptionsView();
  TcxCustomGridRow* record = kind == lkRecord || kind == lkGroupFooter ? View()->GetViewData()->GetRow(rowIndex)
                                                                       : nullptr;
  Integer details = HasDetails() ? 1 : 0;
  Integer groups = View()->DataController()->Groups()->GroupingLevelCount();
  bool office11 = options->GroupRowStyle() == grsOffice11;
  // The first cell's column and span and the indents before it.
  Integer firstCol = 0, firstSpan = 0, indents = 0;
  if (kind == lkRecord) {
    firstCol = level + details;
    firstSpan = 1;
    if (office11 && level > 0) {
      --firstCol;
      firstSpan = 2;
    }
    indents = level;
  } else if (kind == lkGroupFooter) {
    if (options->GroupFooters() == gfVisibleWhenExpanded) {
      firstCol = level + 1;
      firstSpan = groups - level;
      if (office11 && level + 1 == groups) {
        firstCol = level;
        ++firstSpan;
      }
      indents = level + 1;
    } else {
      firstCol = level;
      firstSpan = groups - level + 1;
      indents = level;
    }
    firstSpan += details;
  }
  ExportIndents(row, indents);
  TcxGridExportTableMapLine* line = map_.Lines(0);
  for (Integer j = 0; j < line->Count(); ++j) {
    TcxGridExportTableMapItem item = line->GetItem(j);
    Integer col = item.Col, span = item.ColCount;
    if (kind == lkRecord || kind == lkGroupFooter) {
      span = 1;
      if (j == 0) {
        col = firstCol;
        span = firstSpan;
      }
    }
    ExportLineCell(col, row, 1, span, kind, View()->GetColumn(item.ItemIndex), item.Text, record, rowIndex, level);
  }
}

TcxCacheCellStyle TcxGridTableViewExport::ButtonFaceCellStyle() { return ButtonFaceStyle(); }

void TcxGridTableViewExport::ExportLineCell(Integer col, Integer row, Integer lines, Integer span, Integer kind,
                                            TcxGridColumn* column, const String& caption, TcxCustomGridRow* record,
                                            Integer rowIndex, Integer level) {
  TcxCacheCellStyle style;
  Integer styleIndex = -1;
  String text;
  Variant value;
  switch (kind) {
    case lkHeader: {
      style = ButtonFaceStyle();
      style.AlignText = MapAlignment(column->HeaderAlignmentHorz());
      TcxStyleParams params;
      View()->GetStyles()->GetHeaderParams(column, params);
      ViewParamsToStyle(params, style);
      text = caption;
      break;
    }
    case lkRecord: {
      // The column's parameters for this record (its event, its style, then the view's), as
      // the grid paints the cell: they key the cache, so a record given another style by an
      // event gets a style of its own.
      TcxStyleParams params;
      column->GetStyles()->GetContentParams(record, params);
      styleIndex = CachedStyle(lkRecord, column, params, [&] {
        GetContentStyle(record, column, style);
        return style;
      });
      if (!UseNativeFormat)
        text = GetCellText(record, column);
      else if (IsNativeValueProperties(ColumnProperties(column)))
        value = record->GetValue(column->Index());
      else
        value = Variant(GetCellText(record, column));
      break;
    }
    default: {
      if (kind == lkFooter)
        GetFooterTextAndValue(column, text, value);
      else
        GetGroupFooterTextAndValue(column, rowIndex, level, text, value);
      bool empty = text.empty() && (kind == lkFooter ? VarIsEmpty(value) || VarIsNull(value) : VarIsNull(value));
      style = ButtonFaceStyle();
      TcxStyleParams params;
      if (empty) {
        View()->GetStyles()->GetFooterParams(record, nullptr, level, params);
      } else {
        style.AlignText = MapAlignment(column->GetFooterAlignmentHorz());
        column->GetStyles()->GetFooterParams(record, level, params);
      }
      ViewParamsToStyle(params, style);
      break;
    }
  }
  if (styleIndex < 0) styleIndex = provider_->RegisterStyle(style);
  provider_->SetCellStyleEx(col, row, lines, span, styleIndex);
  if (kind != lkHeader && UseNativeFormat)
    provider_->SetCellValue(col, row, value);
  else
    provider_->SetCellDataString(col, row, text);
}

void TcxGridTableViewExport::ExportPreviewLine(Integer& row, TcxCustomGridRow* record, bool master) {
  if (!PreviewVisible()) return;
  Integer level = record->Level();
  bool office11 = View()->GetOptionsView()->GroupRowStyle() == grsOffice11 && level > 0;
  Integer col = (master ? level + 1 : level) - (office11 ? 1 : 0);
  TcxCacheCellStyle style;
  GetPreviewStyle(record, style);
  if (master && col > 0) {
    ExportIndents(row, col - 1);
    TcxCacheCellStyle content = DefaultCellStyle();
    ApplyGridLines(content);
    TcxStyleParams params;
    View()->GetStyles()->GetContentParams(record, nullptr, params);
    ViewParamsToStyle(params, content);
    provider_->SetCellStyle(col - 1, row, provider_->RegisterStyle(content));
  } else if (!master) {
    ExportIndents(row, col);
  }
  if (col < ColCount) {
    provider_->SetCellStyleEx(col, row, 1, ColCount - col, provider_->RegisterStyle(style));
    provider_->SetCellDataString(col, row, GetCellText(record, View()->Preview()->Column()));
  }
  ++row;
}

void TcxGridTableViewExport::ExportDetailLine(Integer row, Integer rowIndex, Integer column, bool detailsWhole) {
  auto* master = static_cast<TcxGridMasterDataRow*>(View()->GetViewData()->GetRow(rowIndex));
  ExportIndents(row, column);
  TcxCacheCellStyle content = DefaultCellStyle();
  ApplyGridLines(content);
  TcxStyleParams params;
  View()->GetStyles()->GetContentParams(master, nullptr, params);
  ViewParamsToStyle(params, content);
  Integer contentIndex = provider_->RegisterStyle(content);
  provider_->SetCellStyle(column, row, contentIndex);
  if (column + 1 >= ColCount) return;
  provider_->SetCellStyleEx(column + 1, row, 1, ColCount - column - 1, contentIndex);
  auto* cache = dynamic_cast<IcxCellInternalCache*>(provider_.get());
  if (!cache) return;
  TcxCustomGridView* detail = master->GetActiveDetailGridView();
  if (!detail) return;
  try {
    TRect bounds = TableViewInfo()->ClientBounds();
    std::unique_ptr<TcxCustomGridTableViewInfo> info(dynamic_cast<TcxGridCardView*>(detail)
                                                         ? CreateCardDetailViewInfo(detail, bounds)
                                                         : CreateDetailViewInfo(detail, bounds));
    // A chart is exported without a layout of its own.
    if (!info && !dynamic_cast<TcxGridChartView*>(detail)) return;
    std::unique_ptr<TcxGridCustomExport> exporter =
        CreateGridViewExport(detail, fileName_, exportType_, grid_, info.get());
    exporter->SaveAll = detailsWhole;
    exporter->Expand = Expand;
    exporter->UseNativeFormat = UseNativeFormat;
    exporter->ExportContent();
    if (auto detailCache = std::dynamic_pointer_cast<IcxCellInternalCache>(exporter->ProviderRef()))
      cache->SetCellCache(column + 1, row, detailCache);
  } catch (const EcxExportData&) {
  } catch (const EcxGridExport&) {
  }
}

void TcxGridTableViewExport::ExportRows(Integer row) {
  Integer first = row;
  TcxGridTableOptionsView* options = View()->GetOptionsView();
  if (options->Header()) {
    ExportRecordLines(row, 0, 0, lkHeader);
    row += GetRecordLineCount();
  }
  // Pending group footers as {level, row index}, innermost on top.
  std::vector<std::pair<Integer, Integer>> footers;
  auto flush = [&](size_t count) {
    for (; count > 0 && !footers.empty(); --count) {
      auto [level, index] = footers.back();
      footers.pop_back();
      ExportRecordLines(row, index, level, lkGroupFooter);
      row += GetRecordLineCount();
    }
  };
  TcxGridViewData* data = View()->GetViewData();
  bool alwaysExpanded = View()->DataController()->GetOptions().Contains(dcoGroupsAlwaysExpanded);
  bool office11 = options->GroupRowStyle() == grsOffice11;
  for (Integer i = 0; i < ExportedRowCount(); ++i) {
    Integer rowIndex = ExportedRowIndex(i);
    TcxCustomGridRow* record = data->GetRow(rowIndex);
    Integer level = record->Level();
    if (auto* group = dynamic_cast<TcxGridGroupRow*>(record)) {
      if (SaveAll && Integer(footers.size()) > level) flush(footers.size() - size_t(level));
      bool expanded = group->GetExpanded();
      ExportExpandSign(level, row, expanded);
      ExportIndents(row, level);
      TcxStyleParams params;
      View()->GetStyles()->GetGroupParams(group, level, params);
      Integer style = CachedStyle(skGroup, reinterpret_cast<const void*>(intptr_t(level)), params, [&] {
        TcxCacheCellStyle s = ButtonFaceStyle();
        s.AlignText = catLeft;
        ApplyGridLines(s);
        ViewParamsToStyle(params, s);
        return s;
      });
      Integer col = alwaysExpanded ? level : level + 1;
      if (col < ColCount) {
        provider_->SetCellStyleEx(col, row, 1, ColCount - col, style);
        String text = group->GetGroupText();
        if (TcxGridColumn* grouped = group->GetGroupedColumn()) grouped->DoGetDisplayText(group, text);
        provider_->SetCellDataString(col, row, text);
      }
      ++row;
      if (SaveAll && (options->GroupFooters() == gfAlwaysVisible ||
                      (options->GroupFooters() == gfVisibleWhenExpanded && expanded)))
        footers.emplace_back(level, rowIndex);
    } else if (auto* master = dynamic_cast<TcxGridMasterDataRow*>(record)) {
      bool expanded = master->GetExpanded();
      if (View()->Preview()->Place() == ppTop) ExportPreviewLine(row, record, true);
      ExportRecordLines(row, rowIndex, level, lkRecord);
      Integer sign = level - (office11 && level > 0 ? 1 : 0);
      ExportExpandSign(sign, row, expanded);
      ExportIndents(row, sign);
      row += GetRecordLineCount();
      // The record line may have remade the rows: read the row again.
      record = data->GetRow(rowIndex);
      if (View()->Preview()->Place() == ppBottom) ExportPreviewLine(row, record, true);
      if (expanded) {
        ExportDetailLine(row, rowIndex, sign, ExportedDetailsWhole(i));
        ++row;
      }
    } else {
      if (View()->Preview()->Place() == ppTop) ExportPreviewLine(row, record, false);
      ExportRecordLines(row, rowIndex, level, lkRecord);
      row += GetRecordLineCount();
      // The record line may have remade the rows: read the row again.
      record = data->GetRow(rowIndex);
      if (View()->Preview()->Place() == ppBottom) ExportPreviewLine(row, record, false);
    }
  }
  flush(footers.size());
  if (SaveAll && options->Footer()) {
    ExportRecordLines(row, 0, 0, lkFooter);
    row += GetRecordLineCount();
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

// The view to export: the grid's focused view on its active level.
TcxCustomGridView* ExportedView(TcxCustomGrid* grid) {
  if (!grid->ActiveLevel()) throw EcxGridExport(cxGetResString(scxActiveGridLevelDoesNotExist));
  TcxCustomGridView* view = grid->FocusedView();
  if (!view) throw EcxGridExport(cxGetResString(scxGridViewDoesNotExist));
  return view;
}

}  // namespace

std::unique_ptr<TcxGridCustomExport> CreateGridViewExport(TcxCustomGridView* view, const String& fileName,
                                                          Integer exportType, TcxCustomGrid* grid,
                                                          TcxCustomGridTableViewInfo* viewInfo) {
  // The banded view derives from the table view: asked first.
  if (dynamic_cast<TcxGridBandedTableView*>(view))
    return std::make_unique<TcxGridBandedTableViewExport>(fileName, exportType, view, grid, viewInfo);
  if (dynamic_cast<TcxGridTableView*>(view))
    return std::make_unique<TcxGridTableViewExport>(fileName, exportType, view, grid, viewInfo);
  if (dynamic_cast<TcxGridCardView*>(view))
    return std::make_unique<TcxGridCardViewExport>(fileName, exportType, view, grid, viewInfo);
  if (dynamic_cast<TcxGridChartView*>(view))
    return std::make_unique<TcxGridChartViewExport>(fileName, exportType, view, grid, viewInfo);
  return std::make_unique<TcxGridCustomExport>(fileName, exportType, view, grid, viewInfo);
}

void ExportGridToFile(String fileName, Integer exportType, TcxCustomGrid* grid, bool expand, bool saveAll,
                      bool useNativeFormat, const String& separator, const String& beginString,
                      const String& endString, const String& fileExt) {
  InitializeCxExportGrid4Link();
  if (!grid) return;
  if (!fileExt.empty()) fileName = ChangeFileExt(fileName, "." + fileExt);
  TcxCustomGridView* view = ExportedView(grid);
  std::unique_ptr<TcxGridCustomExport> exporter = CreateGridViewExport(view, fileName, exportType, grid, nullptr);
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
    try {
      if (!gridMode || saveAll) mode->SetGridMode(false);
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
