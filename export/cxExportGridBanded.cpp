// The banded table view exporter.
#include "export/cxExportGridBanded.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "gridviews/cxGridBandedTableView.h"
#include "gridviews/cxGridBandedTableViewInfo.h"
#include "gridviews/cxGridRows.h"

KORVAN_IMPLEMENT_CLASS(TcxGridExportBandMap)
KORVAN_IMPLEMENT_CLASS(TcxGridBandedTableViewExport)

namespace {

constexpr Integer cxGroupIndentWidth = 16;
// Kinds of cached styles besides the line kinds.
constexpr Integer skBandContent = 20, skBandFooter = 21, skBandBackground = 22;

TcxCacheCellStyle NoBorderStyle(TcxCacheCellStyle style) {
  for (TcxCellBorders& border : style.Borders) border.Width = 0;
  return style;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The band map

void TcxGridExportBandMap::AddItem(Integer col, Integer row, Integer colCount, Integer rowCount, const String& text,
                                   TcxGridBand* band) {
  if (!band) return;
  items_.push_back(TcxGridExportBandMapItem{col, row, colCount, rowCount, text});
  bands_.push_back(band);
}

Integer TcxGridExportBandMap::IndexOfBand(const TcxGridBand* band) const {
  auto it = std::find(bands_.begin(), bands_.end(), band);
  return it == bands_.end() ? -1 : Integer(it - bands_.begin());
}

void TcxGridExportBandMap::Clear() {
  items_.clear();
  bands_.clear();
}

// ---------------------------------------------------------------------------------------------
// The exporter

TcxGridBandedTableView* TcxGridBandedTableViewExport::BandedView() const {
  return static_cast<TcxGridBandedTableView*>(gridView_);
}

TcxGridBandsViewInfo* TcxGridBandedTableViewExport::BandsViewInfo() const {
  return static_cast<TcxGridBandedHeaderViewInfo*>(TableViewInfo()->HeaderViewInfo())->GetBandsViewInfo();
}

Integer TcxGridBandedTableViewExport::BandHeaderRowCount() const { return BandsViewInfo()->GetBandHeaderRowCount(); }

Integer TcxGridBandedTableViewExport::GetRecordLineCount() {
  return static_cast<TcxGridBandedHeaderViewInfo*>(TableViewInfo()->HeaderViewInfo())->GetLineCount();
}

Integer TcxGridBandedTableViewExport::BandExportWidth(Integer bottomIndex) const {
  if (bottomIndex == 0 && firstBandWidth_ >= 0) return firstBandWidth_;
  return BandsViewInfo()->GetBottomBandViewInfo(bottomIndex)->GetContentWidth();
}

void TcxGridBandedTableViewExport::BuildColumnMap() {
  TcxGridBandsViewInfo* bands = BandsViewInfo();
  Integer count = bands->GetBottomBandViewInfoCount();
  Integer groups = View()->DataController()->Groups()->GroupingLevelCount();
  // The headers of a band in their band rows, each with its row and width.
  auto walkHeaders = [&](TcxGridBandViewInfo* band, Integer left, auto&& visit) {
    std::vector<Integer> positions(size_t(std::max<Integer>(band->GetBand()->Rows()->VisibleCount(), 1)), left);
    for (Integer h = 0; h < band->GetColumnHeaderViewInfoCount(); ++h) {
      TcxGridBandedColumnHeaderViewInfo* header = band->GetColumnHeaderViewInfo(h);
      auto* column = static_cast<TcxGridBandedColumn*>(header->Column());
      Integer row = std::clamp<Integer>(column->Position()->GetVisibleRowIndex(), 0, Integer(positions.size()) - 1);
      Integer width = header->Bounds.Right - header->Bounds.Left;
      visit(column, row, positions[size_t(row)], width);
      positions[size_t(row)] += width;
    }
  };
  // 1. Column boundaries.
  Integer left = 0;
  for (Integer i = 0; i < count; ++i) {
    TcxGridBandViewInfo* band = bands->GetBottomBandViewInfo(i);
    walkHeaders(band, left, [&](TcxGridBandedColumn*, Integer, Integer pos, Integer width) {
      map_.AddBoundary(pos + width);
    });
    if (i == 0 && cxGroupIndentWidth * groups >= band->GetContentWidth())
      firstBandWidth_ = cxGroupIndentWidth * groups + (HasDetails() ? cxGroupIndentWidth : 1);
    left += BandExportWidth(i);
    map_.AddBoundary(left);
  }
  if (count > 0 && View()->GetVisibleColumnCount() > 0) AddIndentBoundaries();
  // 2. Column header lines (map line R: band row R of every band) and the band line.
  left = 0;
  Integer headerRows = BandHeaderRowCount();
  std::vector<Integer> spans;
  for (Integer i = 0; i < count; ++i) {
    TcxGridBandViewInfo* band = bands->GetBottomBandViewInfo(i);
    walkHeaders(band, left, [&](TcxGridBandedColumn* column, Integer row, Integer pos, Integer width) {
      map_.AddItem(pos, row, width, column->Position()->LineCount(), column->Index(), column->Caption());
    });
    Integer bandLeft = left, bandWidth = BandExportWidth(i);
    left += bandWidth;
    map_.PositionToColumns(bandLeft, bandWidth);
    bandColumns_.emplace_back(bandLeft, bandWidth);
    spans.push_back(std::max<Integer>(headerRows - band->GetBand()->GetLevel(), 1));
  }
  // 3. The band map: the bottom bands, then each parent once all its children are in.
  bandMap_.Clear();
  for (Integer i = 0; i < count; ++i) {
    TcxGridBand* band = bands->GetBottomBandViewInfo(i)->GetBand();
    bandMap_.AddItem(bandColumns_[size_t(i)].first, spans[size_t(i)] - 1, bandColumns_[size_t(i)].second,
                     spans[size_t(i)], band->Caption(), band);
  }
  for (Integer i = 0; i < count; ++i) {
    for (TcxGridBand* parent = bands->GetBottomBandViewInfo(i)->GetBand()->ParentBand(); parent;
         parent = parent->ParentBand()) {
      if (bandMap_.IndexOfBand(parent) >= 0 || parent->GetVisibleChildBandCount() == 0) break;
      Integer colCount = 0;
      bool complete = true;
      for (Integer c = 0; c < parent->GetVisibleChildBandCount() && complete; ++c) {
        Integer index = bandMap_.IndexOfBand(parent->GetVisibleChildBand(c));
        complete = index >= 0;
        if (complete) colCount += bandMap_.GetItem(index).ColCount;
      }
      if (!complete) break;
      const TcxGridExportBandMapItem& first = bandMap_.GetItem(bandMap_.IndexOfBand(parent->GetVisibleChildBand(0)));
      bandMap_.AddItem(first.Col, first.Row + 1, colCount, 1, parent->Caption(), parent);
    }
  }
}

Integer TcxGridBandedTableViewExport::CalculateRowCount() {
  if (cachedRowCount_ < 0)
    cachedRowCount_ = (BandedView()->GetOptionsView()->BandHeaders() ? BandHeaderRowCount() : 0) +
                      TcxGridTableViewExport::CalculateRowCount();
  return cachedRowCount_;
}

TcxGridBand* TcxGridBandedTableViewExport::BandOfColumn(Integer col) const {
  for (size_t i = 0; i < bandColumns_.size(); ++i)
    if (col >= bandColumns_[i].first && col < bandColumns_[i].first + bandColumns_[i].second)
      return BandsViewInfo()->GetBottomBandViewInfo(Integer(i))->GetBand();
  return nullptr;
}

const std::vector<Integer>& TcxGridBandedTableViewExport::BandEdges() {
  if (bandEdgesDone_) return bandEdges_;
  bandEdgesDone_ = true;
  auto bandIndex = [&](Integer col) {
    for (size_t i = 0; i < bandColumns_.size(); ++i)
      if (col >= bandColumns_[i].first && col < bandColumns_[i].first + bandColumns_[i].second) return Integer(i);
    return Integer(bandColumns_.size());
  };
  for (Integer c = 1; c < ColCount; ++c)
    if (bandIndex(c - 1) < bandIndex(c)) bandEdges_.push_back(c - 1);
  return bandEdges_;
}

void TcxGridBandedTableViewExport::ExportBandHeaders(Integer rows) {
  for (Integer i = 0; i < bandMap_.Count(); ++i) {
    const TcxGridExportBandMapItem& item = bandMap_.GetItem(i);
    TcxGridBand* band = bandMap_.GetBand(i);
    TcxCacheCellStyle style = ButtonFaceCellStyle();
    style.AlignText = MapAlignment(band->HeaderAlignmentHorz());
    TcxStyleParams params;
    band->Styles()->GetHeaderParams(params);
    ViewParamsToStyle(params, style);
    Integer row = rows - item.Row - 1;
    provider_->SetCellStyleEx(item.Col, row, item.RowCount, item.ColCount, provider_->RegisterStyle(style));
    provider_->SetCellDataString(item.Col, row, item.Text);
  }
}

void TcxGridBandedTableViewExport::ExportColumnHeaderBackground(Integer row) {
  for (Integer col = 0; col < ColCount; ++col) {
    TcxGridBand* band = BandOfColumn(col);
    if (!band) continue;
    TcxStyleParams params;
    band->Styles()->GetBackgroundParams(params);
    Integer style = CachedStyle(skBandBackground, band, params, [&] {
      TcxCacheCellStyle s = NoBorderStyle(ButtonFaceCellStyle());
      ViewParamsToStyle(params, s);
      s.FontStyle = 0;
      return s;
    });
    for (Integer r = row; r < row + GetRecordLineCount(); ++r) provider_->SetCellStyle(col, r, style);
  }
}

void TcxGridBandedTableViewExport::ExportCells() {
  InitializeDefaultStyle();
  if (!SaveAll) CollectSelectedRecords();
  TcxGridBandedTableOptionsView* options = BandedView()->GetOptionsView();
  if (BandedView()->Bands()->GetBottomBandCount() == 0 || bandColumns_.empty()) return;
  if (!SaveAll && RecordToExportCount() == 0 && !options->Header() && !options->Footer()) return;
  ColCount = map_.ColumnCount();
  bool items = View()->GetVisibleColumnCount() > 0;
  RowCount = items ? CalculateRowCount() : 1;
  if (ColCount > 0 && RowCount > 0) provider_->SetRange(ColCount, RowCount, false);
  for (Integer i = 0; i < ColCount; ++i) provider_->SetColumnWidth(i, map_.ColumnWidths(i));
  Integer row = 0;
  if (options->BandHeaders()) {
    row = BandHeaderRowCount();
    ExportBandHeaders(row);
  }
  if (!items) return;
  // Under the column headers each band shows its background where it has no header.
  if (options->Header()) ExportColumnHeaderBackground(row);
  BandEdges();
  ExportRows(row);
}

void TcxGridBandedTableViewExport::ExportRecordLines(Integer row, Integer rowIndex, Integer level, Integer kind) {
  TcxGridTableOptionsView* options = View()->GetOptionsView();
  TcxCustomGridRow* record = kind == lkRecord || kind == lkGroupFooter ? View()->GetViewData()->GetRow(rowIndex)
                                                                       : nullptr;
  Integer lines = GetRecordLineCount();
  Integer details = HasDetails() ? 1 : 0;
  Integer groups = View()->DataController()->Groups()->GroupingLevelCount();
  bool office11 = options->GroupRowStyle() == grsOffice11;
  bool whenExpanded = options->GroupFooters() == gfVisibleWhenExpanded;
  TcxGridBand* firstBand = BandsViewInfo()->GetBottomBandViewInfo(0)->GetBand();

  // 1. Background of the block.
  if (kind != lkHeader)
    for (Integer col = 0; col < ColCount; ++col) {
      TcxGridBand* band = BandOfColumn(col);
      TcxStyleParams params;
      Integer style;
      if (kind == lkRecord) {
        if (!band) continue;
        band->Styles()->GetContentParams(record, nullptr, params);
        style = CachedStyle(skBandContent, band, params, [&] {
          TcxCacheCellStyle s = NoBorderStyle(DefaultCellStyle());
          ViewParamsToStyle(params, s);
          s.FontStyle = 0;
          return s;
        });
      } else {
        View()->GetStyles()->GetFooterParams(record, nullptr, level, params);
        style = CachedStyle(skBandFooter, nullptr, params, [&] {
          TcxCacheCellStyle s = NoBorderStyle(ButtonFaceCellStyle());
          ViewParamsToStyle(params, s);
          s.FontStyle = 0;
          return s;
        });
      }
      for (Integer r = row; r < row + lines; ++r) provider_->SetCellStyle(col, r, style);
    }

  // 2. The cells, line by line; each band stacks its lines below the ones it used already.
  std::map<TcxGridBand*, Integer> used;
  Integer indents = 0;
  for (Integer l = 0; l < map_.LineCount(); ++l) {
    TcxGridExportTableMapLine* line = map_.Lines(l);
    TcxGridBand* previous = nullptr;
    Integer start = row;
    for (Integer j = 0; j < line->Count(); ++j) {
      TcxGridExportTableMapItem item = line->GetItem(j);
      TcxGridBand* band = BandOfColumn(item.Col);
      if (j == 0 || band != previous) start = row + used[band];
      previous = band;
      Integer lineCount = std::min(item.LineCount, row + lines - start);
      if (lineCount <= 0) continue;
      Integer col = item.Col, span = item.ColCount, itemIndents = -1;
      bool first = j == 0 && band == firstBand;
      if (first && kind == lkRecord) {
        col = level + details;
        itemIndents = level;
        if (office11 && level > 0) {
          --col;
          --itemIndents;
        }
      } else if (first && kind == lkGroupFooter) {
        col = level;
        itemIndents = level;
        if (whenExpanded) {
          col = itemIndents = level + 1;
          if (office11 && level + 1 == groups) col = itemIndents = level;
        }
      }
      if (itemIndents >= 0) {
        span = std::max<Integer>(item.Col + item.ColCount - col, 1);
        for (Integer r = start; r < start + lineCount; ++r) ExportIndents(r, itemIndents);
        indents = std::max(indents, itemIndents);
      }
      ExportLineCell(col, start, lineCount, span, kind, View()->GetColumn(item.ItemIndex), item.Text, record,
                     rowIndex, level);
      used[band] = std::max(used[band], start - row + lineCount);
    }
  }

  // 3. Borders: band edges with vertical grid lines, the block's top and bottom.
  if (kind == lkHeader) return;
  TcxGridLines gridLines = options->GridLines();
  bool vert = kind == lkRecord && (gridLines == glBoth || gridLines == glVertical);
  bool horz = kind != lkRecord || gridLines == glBoth || gridLines == glHorizontal;
  Integer from = kind == lkFooter ? 0 : kind == lkGroupFooter ? (whenExpanded ? level + 1 : level) : indents;
  const std::vector<Integer>& edges = BandEdges();
  auto isEdge = [&](Integer c) { return std::find(edges.begin(), edges.end(), c) != edges.end(); };
  for (Integer col = from; col < ColCount; ++col)
    for (Integer r = row; r < row + lines; ++r) {
      const TcxCacheCellStyle* current = provider_->GetCellStyle(col, r);
      if (!current) continue;
      TcxCacheCellStyle style = *current;
      if (vert && isEdge(col)) style.Borders[2].Width = 1;
      if (vert && isEdge(col - 1)) style.Borders[0].Width = 1;
      if (horz && r == row) style.Borders[1].Width = 1;
      if (horz && r == row + lines - 1) style.Borders[3].Width = 1;
      if (std::memcmp(&style, current, sizeof(style)) != 0)
        provider_->SetCellStyle(col, r, provider_->RegisterStyle(style));
    }
}
