// The card and chart view exporters.
#include "export/cxExportGridCardChart.h"

#include <algorithm>

#include "editors/cxEdit.h"
#include "foundation/cxGraphics.h"
#include "gridviews/cxGridCardView.h"
#include "gridviews/cxGridChartView.h"
#include "vcl/Graphics.h"

KORVAN_IMPLEMENT_CLASS(TcxGridCardViewExportMap)
KORVAN_IMPLEMENT_CLASS(TcxGridHorizontalCardViewExportMap)
KORVAN_IMPLEMENT_CLASS(TcxGridVerticalCardViewExportMap)
KORVAN_IMPLEMENT_CLASS(TcxGridCardViewExport)
KORVAN_IMPLEMENT_CLASS(TcxGridChartViewExport)

namespace {

// Sheet margins and separator columns.
constexpr Integer cxCardSeparatorColumnWidth = 10;
// The text indents of a caption cell.
constexpr Integer cxCardCaptionIndents = 4;

// The default style without borders: the sheet's default, the background and every card cell
// start from it.
TcxCacheCellStyle CardInitialStyle() {
  TcxCacheCellStyle style = DefaultCellStyle();
  for (TcxCellBorders& border : style.Borders) border.Width = 0;
  return style;
}

// The card layout the maps follow: the given one, else the view's own.
TcxGridCardsViewInfo* CardsLayout(TcxGridCardView* view, TcxGridCardViewViewInfo* layout) {
  TcxGridCardViewViewInfo* info = layout ? layout : view->GetViewInfo();
  return info ? info->GetCardsViewInfo() : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Card maps

void TcxGridCardViewExportMap::Initialize(TcxGridCardView* view, bool exportAll, TcxGridCardViewViewInfo* layout) {
  Clear();
  view_ = view;
  exportAll_ = exportAll;
  layout_ = layout;
  Build();
}

void TcxGridCardViewExportMap::Clear() {
  entries_.clear();
  colCount_ = rowCount_ = -1;
}

void TcxGridCardViewExportMap::AddCard(Integer col, Integer row, TcxGridCard* card) {
  if (col < 0 || row < 0 || !card) return;
  TEntry entry{col, row, card->Index(), {}};
  card->GetVisibleRows(entry.Rows);
  entries_.push_back(std::move(entry));
}

Integer TcxGridCardViewExportMap::CardRowCount(Integer i) const {
  return i >= 0 && i < Count() ? Integer(entries_[size_t(i)].Rows.size()) : 0;
}

std::vector<TcxGridCard*> TcxGridCardViewExportMap::PlacedCards() const {
  std::vector<TcxGridCard*> cards;
  TcxGridCardViewViewData* data = view_->GetViewData();
  for (Integer i = 0; i < data->GetCardCount(); ++i) {
    TcxGridCard* card = data->GetCard(i);
    if (exportAll_ || card->Selected()) cards.push_back(card);
  }
  return cards;
}

void TcxGridHorizontalCardViewExportMap::Build() {
  // As many cards per column as the screen's fullest column holds.
  Integer perColumn = 0;
  if (TcxGridCardsViewInfo* cards = CardsLayout(view_, layout_))
    for (Integer c = 0; c < cards->GetColumnCount(); ++c)
      perColumn = std::max(perColumn, cards->GetColumn(c)->GetCardCount());
  Integer col = 1, row = 1, inColumn = 0, lowest = 0;
  for (TcxGridCard* card : PlacedCards()) {
    AddCard(col, row, card);
    ++inColumn;
    row += CardRowCount(Count() - 1) + 1;
    lowest = std::max(lowest, row);
    if (inColumn == perColumn) {
      col += 4;
      row = 1;
      inColumn = 0;
    }
  }
  SetColCount(inColumn > 0 ? col + 3 : col - 1);
  SetRowCount(lowest);
}

void TcxGridVerticalCardViewExportMap::Clear() {
  TcxGridCardViewExportMap::Clear();
  boundaries_.clear();
}

void TcxGridVerticalCardViewExportMap::Build() {
  // As many cards per row as the screen layout has columns.
  TcxGridCardsViewInfo* cards = CardsLayout(view_, layout_);
  Integer perRow = cards ? cards->GetColumnCount() : 0;
  Integer col = 1, row = 1, inRow = 0, tallest = 0;
  for (TcxGridCard* card : PlacedCards()) {
    AddCard(col, row, card);
    ++inRow;
    tallest = std::max(tallest, CardRowCount(Count() - 1));
    col += 3;
    if (inRow == perRow) {
      SetColCount(col);
      row += tallest;
      boundaries_.push_back(row);
      row += 2;
      tallest = 0;
      col = 1;
      inRow = 0;
    }
  }
  if (inRow > 0) {
    SetRowCount(row + tallest + 1);
  } else {
    // The last row of cards is complete: no separator below it. With no card placed at all
    // there is no boundary to drop.
    SetRowCount(row - 1);
    if (!boundaries_.empty()) boundaries_.pop_back();
  }
  SetColCount(col);
}

// ---------------------------------------------------------------------------------------------
// The card view exporter

TcxGridCardViewExport::TcxGridCardViewExport(const String& fileName, Integer exportType, TcxCustomGridView* gridView,
                                             TcxCustomGrid* grid, TcxCustomGridTableViewInfo* viewInfo)
    : TcxGridCustomExport(fileName, exportType, gridView, grid, viewInfo) {
  switch (View()->LayoutDirection()) {
    case ldHorizontal: map_ = std::make_unique<TcxGridHorizontalCardViewExportMap>(); break;
    case ldVertical: map_ = std::make_unique<TcxGridVerticalCardViewExportMap>(); break;
    default: map_ = std::make_unique<TcxGridCardViewExportMap>(); break;
  }
}

TcxGridCardViewExport::~TcxGridCardViewExport() = default;

TcxGridCardView* TcxGridCardViewExport::View() const { return static_cast<TcxGridCardView*>(gridView_); }

void TcxGridCardViewExport::InitializeDefaultStyle() {
  provider_->SetDefaultStyle(CardInitialStyle());
  TcxGridCardViewOptionsView* options = View()->GetOptionsView();
  TcxStyleParams params;
  View()->GetStyles()->GetBackgroundParams(params);
  TcxCacheCellStyle background = CardInitialStyle();
  ViewParamsToStyle(params, background);
  Integer width = options->SeparatorWidth();
  // SeparatorColor itself may be clDefault: the colour the separators are painted in.
  Integer color = ExportColor(options->GetSeparatorColor());
  auto half = [&](Integer side, Integer halfWidth) {
    TcxCacheCellStyle style = background;
    style.Borders[side] = TcxCellBorders{0, halfWidth, color};
    return provider_->RegisterStyle(style);
  };
  bool horizontal = View()->LayoutDirection() == ldHorizontal;
  bool vertical = View()->LayoutDirection() == ldVertical;
  background_ = provider_->RegisterStyle(background);
  rightHalf_ = horizontal ? half(2, (width + 1) / 2) : background_;
  leftHalf_ = horizontal ? half(0, width / 2) : background_;
  topHalf_ = vertical ? half(1, (width + 1) / 2) : background_;
  bottomHalf_ = vertical ? half(3, width / 2) : background_;
}

Integer TcxGridCardViewExport::CaptionColumnWidth() {
  Integer fixed = View()->GetOptionsView()->CaptionWidth();
  if (fixed != 0) return fixed;
  Integer widest = 0;
  for (Integer i = 0; i < View()->GetVisibleRowCount(); ++i) {
    TcxGridCardViewRow* row = View()->GetVisibleRow(i);
    TcxStyleParams params;
    View()->GetStyles()->GetRowCaptionParams(nullptr, row, params);
    TFont* font = params.Font ? params.Font : LazyScreenCanvas()->CurrentFont();
    widest = std::max(widest, MeasureTextWidthInFont(font, row->Caption()) + cxCardCaptionIndents);
  }
  return widest + 3;
}

namespace {

// Kinds of the card cells' cached styles; a position's bits are added to them.
constexpr Integer skCardCaption = 0, skCardValue = 16, skCaptionRowCaption = 32, skCaptionRowValue = 48;
constexpr Integer cpRightSide = 1, cpFirstRow = 2, cpLastRow = 4, cpBorder = 8;

}  // namespace

void TcxGridCardViewExport::ExportCard(const TcxGridCardViewExportMap::TEntry& entry) {
  TcxGridCardView* view = View();
  TcxGridCardViewStyles* styles = view->GetStyles();
  TcxGridCard* card = view->GetViewData()->GetCard(entry.CardIndex);
  if (!card) return;
  TcxStyleParams borderParams;
  styles->GetCardBorderParams(card, borderParams);
  Integer borderColor = ExportColor(borderParams.Color);
  Integer borderWidth = view->GetOptionsView()->CardBorderWidth();
  Integer count = Integer(entry.Rows.size());
  for (Integer i = 0; i < count; ++i) {
    TcxGridCardViewRow* row = entry.Rows[size_t(i)];
    Integer sheetRow = entry.Row + i;
    Integer position = (i == 0 ? cpFirstRow : 0) | (i == count - 1 ? cpLastRow : 0) |
                       (borderColor != -1 ? cpBorder : 0);
    // The cell style of a kind on a side of the card, with the card's border on that side
    // and above the first and below the last row.
    auto cellStyle = [&](Integer kind, const TcxStyleParams& params, TAlignment alignment, Integer side) {
      return CachedStyle(kind + position + side, row, params, [&] {
        TcxCacheCellStyle style = CardInitialStyle();
        style.AlignText = MapAlignment(alignment);
        ViewParamsToStyle(params, style);
        if (position & cpBorder) {
          TcxCellBorders border{0, borderWidth, borderColor};
          style.Borders[side == cpRightSide ? 2 : 0] = border;
          if (position & cpFirstRow) style.Borders[1] = border;
          if (position & cpLastRow) style.Borders[3] = border;
        }
        return style;
      }, borderColor);
    };
    TcxCustomEditProperties* properties = ColumnProperties(row);
    TAlignment valueAlignment = properties ? properties->Alignment()->Horz() : taLeftJustify;
    TAlignment captionAlignment = row->HeaderAlignmentHorz();
    Integer left, right;
    // The row's own parameters for the card (its events and styles, then the view's): they key
    // the cache, so a card given another style by an event gets a style of its own.
    TcxGridCardViewRowStyles* rowStyles = row->GetStyles();
    TcxStyleParams params;
    if (row->Kind() == rkCaption) {
      rowStyles->GetCaptionRowParams(card, params);
      left = cellStyle(skCaptionRowCaption, params, captionAlignment, 0);
      right = cellStyle(skCaptionRowValue, params, valueAlignment, cpRightSide);
    } else {
      rowStyles->GetContentParams(card, params);
      right = cellStyle(skCardValue, params, valueAlignment, cpRightSide);
      if (row->ShowCaption()) {
        TcxStyleParams captionParams;
        rowStyles->GetCaptionParams(card, captionParams);
        left = cellStyle(skCardCaption, captionParams, captionAlignment, 0);
      } else {
        left = cellStyle(skCardValue, params, valueAlignment, 0);
      }
    }
    provider_->SetCellStyle(entry.Col, sheetRow, left);
    provider_->SetCellStyle(entry.Col + 1, sheetRow, right);
    Integer valueCol = entry.Col;
    if (row->ShowCaption()) {
      provider_->SetCellDataString(entry.Col, sheetRow, row->Caption());
      ++valueCol;
    }
    if (!UseNativeFormat)
      provider_->SetCellDataString(valueCol, sheetRow, GetCellText(card, row));
    else if (IsNativeValueProperties(properties))
      provider_->SetCellValue(valueCol, sheetRow, card->GetValue(row->Index()));
    else
      provider_->SetCellValue(valueCol, sheetRow, Variant(GetCellText(card, row)));
  }
}

void TcxGridCardViewExport::ExportSeparators() {
  if (View()->LayoutDirection() == ldHorizontal) {
    for (Integer col = 3; col < ColCount - 1; col += 4) {
      for (Integer row = 1; row <= RowCount - 2; ++row) {
        provider_->SetCellStyle(col, row, rightHalf_);
        provider_->SetCellStyle(col + 1, row, leftHalf_);
      }
      provider_->SetColumnWidth(col, cxCardSeparatorColumnWidth);
      provider_->SetColumnWidth(col + 1, cxCardSeparatorColumnWidth);
    }
  } else if (auto* vertical = dynamic_cast<TcxGridVerticalCardViewExportMap*>(map_.get())) {
    for (Integer boundary : vertical->RowBoundaries())
      for (Integer col = 1; col <= ColCount - 2; ++col) {
        provider_->SetCellStyle(col, boundary, bottomHalf_);
        provider_->SetCellStyle(col, boundary + 1, topHalf_);
      }
  }
}

void TcxGridCardViewExport::ExportCells() {
  InitializeDefaultStyle();
  ColCount = map_->ColCount();
  RowCount = map_->RowCount();
  if (ColCount < 1 || RowCount < 1) return;
  provider_->SetRange(ColCount, RowCount, false);
  for (Integer row = 0; row < RowCount; ++row)
    for (Integer col = 0; col < ColCount; ++col) provider_->SetCellStyle(col, row, background_);
  TcxGridCardViewOptionsView* options = View()->GetOptionsView();
  Integer captionWidth = CaptionColumnWidth();
  // A caption column wider than the card leaves the value column no room, not a negative one.
  Integer valueWidth = std::max<Integer>(0, options->CardWidth() - 2 * options->CardBorderWidth() - captionWidth);
  for (Integer i = 0; i < map_->Count(); ++i) {
    const TcxGridCardViewExportMap::TEntry& entry = map_->Items(i);
    ExportCard(entry);
    provider_->SetColumnWidth(entry.Col, captionWidth);
    provider_->SetColumnWidth(entry.Col + 1, valueWidth);
  }
  ExportSeparators();
  provider_->SetColumnWidth(0, cxCardSeparatorColumnWidth);
  provider_->SetColumnWidth(ColCount - 1, cxCardSeparatorColumnWidth);
  if (View()->LayoutDirection() == ldVertical)
    for (Integer col = 3; col <= ColCount - 4; col += 3) provider_->SetColumnWidth(col, cxCardSeparatorColumnWidth);
}

void TcxGridCardViewExport::ExportContent() {
  TcxGridCustomExport::ExportContent();
  map_->Initialize(View(), SaveAll, dynamic_cast<TcxGridCardViewViewInfo*>(viewInfo_));
  ExportCells();
}

void TcxGridCardViewExport::DoExport() {
  ExportContent();
  provider_->Commit();
}

// ---------------------------------------------------------------------------------------------
// The chart view exporter

TcxGridChartView* TcxGridChartViewExport::View() const { return static_cast<TcxGridChartView*>(gridView_); }

void TcxGridChartViewExport::InitializeDefaultStyle() { provider_->SetDefaultStyle(DefaultCellStyle()); }

Integer TcxGridChartViewExport::CalculateRowCount() { return View()->GetViewData()->GetValueCount() + 1; }

void TcxGridChartViewExport::ExportCells() {
  if (provider_->SupportGraphic())
    ExportAsImage();
  else
    ExportAsTable();
}

void TcxGridChartViewExport::ExportAsImage() {
  provider_->SetRange(1, 1, false);
  TGraphicClass cls = ExportGraphicClass();
  if (!cls->InheritsFrom(TBitmap::StaticClass()) && !cls->InheritsFrom(TMetafile::StaticClass()))
    cls = TBitmap::StaticClass();
  TGraphic* picture = CreateImage(View(), cls, 0, 0);
  try {
    provider_->SetCellGraphic(0, 0, picture);
  } catch (...) {
    delete picture;
    throw;
  }
  delete picture;
}

void TcxGridChartViewExport::ExportAsTable() {
  TcxCacheCellStyle value = DefaultCellStyle();
  for (TcxCellBorders& border : value.Borders) border = TcxCellBorders{0, 1, 0};
  TcxCacheCellStyle heading = value;
  heading.BrushStyle = cbsSolid;
  heading.BrushBkColor = ExportColor(clBtnFace);
  Integer valueStyle = provider_->RegisterStyle(value);
  Integer headingStyle = provider_->RegisterStyle(heading);
  InitializeDefaultStyle();
  TcxGridChartView* view = View();
  TcxGridChartViewData* data = view->GetViewData();
  TcxCustomDataController* dc = view->DataController();
  Integer cols = std::max<Integer>(1, view->GetVisibleSeriesCount() + 1);
  Integer rows = CalculateRowCount();
  provider_->SetRange(cols, rows, false);
  // The data controller's value of the item on data row j - 1; Null without an item.
  auto valueAt = [&](Integer item, Integer j) {
    Integer record = data->GetRecordIndex(j - 1);
    return item >= 0 && record >= 0 ? dc->GetValue(record, item) : Null();
  };
  provider_->SetCellDataWideString(0, 0, u"Category");
  Integer categories = view->Categories()->DataBinding()->ItemIndex();
  for (Integer j = 1; j < rows; ++j) {
    provider_->SetCellValue(0, j, valueAt(categories, j));
    provider_->SetCellStyle(0, j, headingStyle);
  }
  for (Integer i = 1; i < cols; ++i) {
    TcxGridChartSeries* series = view->GetVisibleSeries(i - 1);
    provider_->SetCellDataWideString(i, 0, UTF8Decode(series->GetDisplayText()));
    Integer item = series->DataBinding()->ItemIndex();
    for (Integer j = 1; j < rows; ++j) {
      provider_->SetCellValue(i, j, valueAt(item, j));
      provider_->SetCellStyle(i, j, valueStyle);
    }
  }
  for (Integer i = 0; i < cols; ++i) provider_->SetCellStyle(i, 0, headingStyle);
}

void TcxGridChartViewExport::ExportContent() {
  TcxGridCustomExport::ExportContent();
  ExportCells();
}

void TcxGridChartViewExport::DoExport() {
  ExportContent();
  provider_->Commit();
}
