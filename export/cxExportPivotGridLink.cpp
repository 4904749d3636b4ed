// The pivot grid export link: the export layout of the grid becomes a sheet whose columns and
// rows lie between the distinct edges of the exported cells.
#include "export/cxExportPivotGridLink.h"

#include <algorithm>

#include "export/cxHtmlXmlTxtExport.h"
#include "export/cxXLSExport.h"
#include "pivotgrid/cxCustomPivotGrid.h"
#include "vcl/Graphics.h"

KORVAN_IMPLEMENT_CLASS(TcxPivotGridExportCell)
KORVAN_IMPLEMENT_CLASS(TcxPivotGridExportHelper)
KORVAN_IMPLEMENT_CLASS(TcxPivotGridMapsInfo)

namespace {

// The default style with the font and colours of resolved view parameters.
TcxCacheCellStyle StyleOfParams(const TcxStyleParams& params) {
  TcxCacheCellStyle style = DefaultCellStyle();
  cxViewParamsToStyle(params, style);
  style.BrushStyle = cbsSolid;
  style.BrushFgColor = style.BrushBkColor;
  return style;
}

TcxCellBorders Border(bool line, Integer color) {
  return line ? TcxCellBorders{0, 1, color} : TcxCellBorders{1, 0, 0};
}

}  // namespace

void cxViewParamsToStyle(const TcxStyleParams& params, TcxCacheCellStyle& style) {
  if (TFont* font = params.Font) {
    cxSetStyleFontName(style, font->Name());
    TFontStyles fs = font->Style();
    style.FontStyle = Byte((fs.Contains(fsBold) ? cfsBold : 0) | (fs.Contains(fsItalic) ? cfsItalic : 0) |
                           (fs.Contains(fsUnderline) ? cfsUnderline : 0) | (fs.Contains(fsStrikeOut) ? cfsStrikeOut : 0));
    style.FontSize = font->Size();
    style.FontCharset = Integer(font->Charset());
  }
  style.FontColor = ExportColor(params.TextColor);
  style.BrushBkColor = ExportColor(params.Color);
}

// ---------------------------------------------------------------------------------------------
// The helper

TcxPivotGridExportHelper::TcxPivotGridExportHelper(TcxCustomPivotGrid* pivotGrid, const String& fileName,
                                                   Integer exportType)
    : pivotGrid_(pivotGrid) {
  provider_ = std::dynamic_pointer_cast<IcxExportProvider>(TcxExport::Provider(exportType, fileName));
  TcxStyleParams params;
  pivotGrid_->Styles()->GetBackgroundParams(params);
  TcxCacheCellStyle style = StyleOfParams(params);
  for (TcxCellBorders& b : style.Borders) b = TcxCellBorders{1, 0, 0};
  provider_->SetDefaultStyle(style);
}

TcxPivotGridExportHelper::~TcxPivotGridExportHelper() = default;

TcxPivotGridMapsInfo* TcxPivotGridExportHelper::CreateMapsInfo(TcxPivotGridExportController* controller) {
  return new TcxPivotGridMapsInfo(this, controller);
}

void TcxPivotGridExportHelper::DoExport() {
  // Declared first, freed last: the maps go before the controller restores the grid.
  auto controller = std::make_unique<TcxPivotGridExportController>(pivotGrid_);
  controller->ExpandColumns(Expand);
  controller->ExpandRows(Expand);
  std::unique_ptr<TcxPivotGridMapsInfo> maps(CreateMapsInfo(controller.get()));
  struct TForget {
    TcxPivotGridMapsInfo*& maps;
    ~TForget() { maps = nullptr; }
  } forget{mapsInfo_};
  mapsInfo_ = maps.get();
  maps->BuildMaps();
  maps->WriteMaps();
  provider_->Commit();
}

// ---------------------------------------------------------------------------------------------
// The maps

TcxPivotGridMapsInfo::TcxPivotGridMapsInfo(TcxPivotGridExportHelper* helper, TcxPivotGridExportController* controller)
    : helper_(helper), controller_(controller) {
  viewInfo_ = controller_->CalculateViewInfo();
  gridLines_ = helper_->PivotGrid()->OptionsView()->GridLines();
}

std::vector<TcxPivotGridCells*> TcxPivotGridMapsInfo::ExportedLists() const {
  return {&viewInfo_->ColumnHeaders, &viewInfo_->FieldHeaders, &viewInfo_->RowHeaders, &viewInfo_->DataCells};
}

bool TcxPivotGridMapsInfo::IsExported(const TcxPivotGridCustomCellViewInfo* cell) {
  // A cell without area would be written over its neighbour's cell.
  return cell->Bounds.Right > cell->Bounds.Left && cell->Bounds.Bottom > cell->Bounds.Top;
}

void TcxPivotGridMapsInfo::CollectEdges(const std::vector<TcxPivotGridCells*>& lists, std::vector<Integer>& xs,
                                        std::vector<Integer>& ys) {
  xs.clear();
  ys.clear();
  size_t count = 0;
  for (TcxPivotGridCells* list : lists) count += size_t(list->Count());
  xs.reserve(2 * count);
  ys.reserve(2 * count);
  for (TcxPivotGridCells* list : lists)
    for (TcxPivotGridCustomCellViewInfo* cell : list->List()) {
      if (!IsExported(cell)) continue;
      xs.push_back(cell->Bounds.Left);
      xs.push_back(cell->Bounds.Right);
      ys.push_back(cell->Bounds.Top);
      ys.push_back(cell->Bounds.Bottom);
    }
  // One sort of all the edges instead of a search of the list for each.
  for (std::vector<Integer>* edges : {&xs, &ys}) {
    std::sort(edges->begin(), edges->end());
    edges->erase(std::unique(edges->begin(), edges->end()), edges->end());
  }
}

Integer TcxPivotGridMapsInfo::EdgeIndex(const std::vector<Integer>& edges, Integer value) {
  return Integer(std::lower_bound(edges.begin(), edges.end(), value) - edges.begin());
}

TcxCacheCellStyle TcxPivotGridMapsInfo::CellStyle(TcxPivotGridCustomCellViewInfo* cell) const {
  TcxCacheCellStyle style = StyleOfParams(cell->ViewParams);
  if (auto* header = dynamic_cast<TcxPivotGridHeaderCellViewInfo*>(cell)) {
    switch (header->AlignHorz) {
      case taRightJustify: style.AlignText = catRight; break;
      case taCenter: style.AlignText = catCenter; break;
      default: style.AlignText = catLeft; break;
    }
  } else {
    style.AlignText = catRight;
  }
  bool vert = gridLines_ == pglVert || gridLines_ == pglBoth;
  bool horz = gridLines_ == pglHorz || gridLines_ == pglBoth;
  style.Borders[0] = style.Borders[2] = Border(vert, BorderColor);
  style.Borders[1] = style.Borders[3] = Border(horz, BorderColor);
  return style;
}

void TcxPivotGridMapsInfo::BuildMaps() {
  std::vector<TcxPivotGridCells*> lists = ExportedLists();
  CollectEdges(lists, xs_, ys_);
  IcxExportProvider* provider = helper_->Provider();
  for (TcxPivotGridCells* list : lists)
    for (TcxPivotGridCustomCellViewInfo* cell : list->List()) {
      if (!IsExported(cell)) continue;
      auto* exportCell = new TcxPivotGridExportCell;
      cells_.Add(exportCell);
      exportCell->ViewInfo = cell;
      exportCell->StyleIndex = provider->RegisterStyle(CellStyle(cell));
      exportCell->Left = EdgeIndex(xs_, cell->Bounds.Left);
      exportCell->Right = EdgeIndex(xs_, cell->Bounds.Right);
      exportCell->Top = EdgeIndex(ys_, cell->Bounds.Top);
      exportCell->Bottom = EdgeIndex(ys_, cell->Bounds.Bottom);
    }
}

void TcxPivotGridMapsInfo::WriteMaps() {
  if (xs_.empty() || ys_.empty()) return;
  IcxExportProvider* provider = helper_->Provider();
  provider->SetRange(Integer(xs_.size()) - 1, Integer(ys_.size()) - 1, false);
  for (size_t i = 0; i + 1 < xs_.size(); ++i) provider->SetColumnWidth(Integer(i), xs_[i + 1] - xs_[i]);
  for (size_t i = 0; i + 1 < ys_.size(); ++i) provider->SetRowHeight(Integer(i), ys_[i + 1] - ys_[i]);
  for (int i = 0; i < cells_.Count(); ++i) {
    TcxPivotGridExportCell* c = cells_[i];
    if (auto* data = dynamic_cast<TcxPivotGridDataCellViewInfo*>(c->ViewInfo)) {
      // The value and text of a data cell are computed when it is first shown.
      if (!data->Calculated) {
        data->Calculate();
        data->Calculated = true;
      }
      if (helper_->UseNativeFormat)
        provider->SetCellValue(c->Left, c->Top, data->Value());
      else
        provider->SetCellDataString(c->Left, c->Top, data->DisplayText);
    } else {
      provider->SetCellDataString(c->Left, c->Top, c->ViewInfo->DisplayText);
    }
    provider->SetCellStyleEx(c->Left, c->Top, c->Bottom - c->Top, c->Right - c->Left, c->StyleIndex);
  }
}

// ---------------------------------------------------------------------------------------------
// Entry points

void ExportPivotGridToFile(String fileName, TcxCustomPivotGrid* pivotGrid, Integer exportType, bool expand,
                           bool useNativeFormat, const std::vector<String>& separators, const String& fileExt) {
  InitializeCxExportPivotGridLink();
  if (!pivotGrid) return;
  if (!fileExt.empty()) fileName = ChangeFileExt(fileName, "." + fileExt);
  TcxPivotGridExportHelper helper(pivotGrid, fileName, exportType);
  helper.Expand = expand;
  helper.UseNativeFormat = useNativeFormat;
  if (auto* target = dynamic_cast<IcxExportSeparators*>(helper.Provider()))
    for (const String& s : separators) target->AddSeparator(s);
  helper.DoExport();
}

void ExportPivotGridToHtml(const String& fileName, TcxCustomPivotGrid* pivotGrid, bool expand, const String& fileExt) {
  ExportPivotGridToFile(fileName, pivotGrid, cxExportToHtml, expand, false, {}, fileExt);
}

void InitializeCxExportPivotGridLink() {
  InitUnit("cxExportPivotGridLink", [] {
    InitializeCxHtmlXmlTxtExport();
    InitializeCxXLSExport();
    cxExportInit(&LoadReplaceableResString, [](Integer color) { return Integer(ColorToRGB(TColor(color))); }, true);
  });
}
