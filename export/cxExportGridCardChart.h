// The card and chart view exporters of the grid export link. A card view becomes a sheet of
// cards (a caption and a value column per card, one sheet row per card row, the card border
// around them) placed in columns or rows like on the screen with separator columns or rows
// between them; a chart view becomes one picture of the chart, or, for a provider without
// pictures, a table of its categories and series.
#pragma once

#include <vector>

#include "export/cxExportGrid4Link.h"

class TcxGridCard;
class TcxGridCardView;
class TcxGridCardViewRow;
class TcxGridCardViewViewInfo;
class TcxGridChartView;

// Where the cards go on the sheet: one entry {column, row, card} per placed card. This class
// places none (a layout direction without its own map); the horizontal and vertical maps do.
class TcxGridCardViewExportMap : public TObject {
  KORVAN_CLASS(TcxGridCardViewExportMap, TObject)

 public:
  struct TEntry {
    Integer Col, Row;
    Integer CardIndex;  // in the view data
    std::vector<TcxGridCardViewRow*> Rows;  // the card's visible rows
  };
  // layout: the card layout to follow (the view's own when nil).
  void Initialize(TcxGridCardView* view, bool exportAll, TcxGridCardViewViewInfo* layout);
  virtual void Clear();
  // Ignored for a negative column or row or no card.
  void AddCard(Integer col, Integer row, TcxGridCard* card);
  Integer Count() const { return Integer(entries_.size()); }
  const TEntry& Items(Integer i) const { return entries_.at(size_t(i)); }
  // The number of visible rows of card i, 0 out of range.
  Integer CardRowCount(Integer i) const;
  // -1 until set; each is set once.
  Integer ColCount() const { return colCount_; }
  Integer RowCount() const { return rowCount_; }

 protected:
  virtual void Build() {}
  // Every card when exporting all, else the selected ones.
  std::vector<TcxGridCard*> PlacedCards() const;
  void SetColCount(Integer v) {
    if (colCount_ < 0) colCount_ = v;
  }
  void SetRowCount(Integer v) {
    if (rowCount_ < 0) rowCount_ = v;
  }
  TcxGridCardView* view_ = nullptr;
  TcxGridCardViewViewInfo* layout_ = nullptr;
  bool exportAll_ = true;

 private:
  std::vector<TEntry> entries_;
  Integer colCount_ = -1, rowCount_ = -1;
};

// Cards stacked in columns (a card block every 4 sheet columns from column 1: caption, value
// and two separator columns), as many per column as the tallest column of the screen layout,
// one empty row between two cards.
class TcxGridHorizontalCardViewExportMap : public TcxGridCardViewExportMap {
  KORVAN_CLASS(TcxGridHorizontalCardViewExportMap, TcxGridCardViewExportMap)

 protected:
  void Build() override;
};

// Cards in rows (a card block every 3 sheet columns from column 1: caption, value and one
// separator column), as many per row as the screen layout has columns, two separator rows
// between two rows of cards.
class TcxGridVerticalCardViewExportMap : public TcxGridCardViewExportMap {
  KORVAN_CLASS(TcxGridVerticalCardViewExportMap, TcxGridCardViewExportMap)

 public:
  void Clear() override;
  // The sheet rows right after each completed row of cards (the last one only when more
  // cards follow).
  const std::vector<Integer>& RowBoundaries() const { return boundaries_; }

 protected:
  void Build() override;

 private:
  std::vector<Integer> boundaries_;
};

class TcxGridCardViewExport : public TcxGridCustomExport {
  KORVAN_CLASS(TcxGridCardViewExport, TcxGridCustomExport)

 public:
  TcxGridCardViewExport(const String& fileName, Integer exportType, TcxCustomGridView* gridView, TcxCustomGrid* grid,
                        TcxCustomGridTableViewInfo* viewInfo);
  ~TcxGridCardViewExport() override;

  // The provider's default style and the background and separator half styles.
  void InitializeDefaultStyle() override;
  Integer CalculateRowCount() override { return RowCount; }
  void ExportCells() override;
  void ExportContent() override;
  void DoExport() override;
  TcxGridCardViewExportMap* CardMap() const { return map_.get(); }
  Integer ColCount = 0;
  Integer RowCount = 0;

 protected:
  TcxGridCardView* View() const;
  // The caption column's width: OptionsView.CaptionWidth, else the widest caption + 4 + 3.
  Integer CaptionColumnWidth();
  void ExportCard(const TcxGridCardViewExportMap::TEntry& entry);
  void ExportSeparators();

 private:
  std::unique_ptr<TcxGridCardViewExportMap> map_;
  Integer background_ = -1, leftHalf_ = -1, topHalf_ = -1, rightHalf_ = -1, bottomHalf_ = -1;
};

class TcxGridChartViewExport : public TcxGridCustomExport {
  KORVAN_CLASS(TcxGridChartViewExport, TcxGridCustomExport)

 public:
  using TcxGridCustomExport::TcxGridCustomExport;
  void InitializeDefaultStyle() override;
  Integer CalculateRowCount() override;
  void ExportCells() override;
  void ExportContent() override;
  void DoExport() override;
  // One cell with the chart drawn into the export picture class (a bitmap unless a metafile
  // class is set).
  virtual void ExportAsImage();
  // "Category" and one column per visible series over one row per data row.
  virtual void ExportAsTable();

 protected:
  TcxGridChartView* View() const;
};
