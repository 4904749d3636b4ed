// The banded table view exporter: band headers (nested ones above their children) over the
// column headers, and every record spread over one sheet row per band line, each band's
// columns in the band's horizontal range, with grid-line borders at the band edges.
#pragma once

#include <vector>

#include "export/cxExportGrid4Link.h"

class TcxGridBand;
class TcxGridBandedTableView;
class TcxGridBandsViewInfo;

// One band header cell: first export column, header row counted upwards from the lowest band
// header row, the columns and rows it spans, and its caption.
struct TcxGridExportBandMapItem {
  Integer Col = 0;
  Integer Row = 0;
  Integer ColCount = 1;
  Integer RowCount = 1;
  String Text;
};

// The band header cells with the bands they describe (the bands are not owned).
class TcxGridExportBandMap : public TObject {
  KORVAN_CLASS(TcxGridExportBandMap, TObject)

 public:
  // Ignored for a nil band.
  void AddItem(Integer col, Integer row, Integer colCount, Integer rowCount, const String& text, TcxGridBand* band);
  Integer Count() const { return Integer(items_.size()); }
  const TcxGridExportBandMapItem& GetItem(Integer i) const { return items_.at(size_t(i)); }
  TcxGridBand* GetBand(Integer i) const { return bands_.at(size_t(i)); }
  Integer IndexOfBand(const TcxGridBand* band) const;
  void Clear();

 private:
  std::vector<TcxGridExportBandMapItem> items_;
  std::vector<TcxGridBand*> bands_;
};

class TcxGridBandedTableViewExport : public TcxGridTableViewExport {
  KORVAN_CLASS(TcxGridBandedTableViewExport, TcxGridTableViewExport)

 public:
  using TcxGridTableViewExport::TcxGridTableViewExport;

  Integer CalculateRowCount() override;
  void ExportCells() override;
  void BuildColumnMap() override;
  void ExportRecordLines(Integer row, Integer rowIndex, Integer level, Integer kind) override;
  // The lines of the column area: the most band lines of a bottom band.
  Integer GetRecordLineCount() override;

  const TcxGridExportBandMap& BandMap() const { return bandMap_; }
  // The export width of a first band not wider than the group indents, -1 otherwise.
  Integer FirstBandWidth() const { return firstBandWidth_; }

 protected:
  TcxGridBandedTableView* BandedView() const;
  TcxGridBandsViewInfo* BandsViewInfo() const;
  // The bottom band whose columns cover the export column (nil without bands).
  TcxGridBand* BandOfColumn(Integer col) const;
  Integer BandHeaderRowCount() const;

 private:
  // The export width of the bottom band at the index.
  Integer BandExportWidth(Integer bottomIndex) const;
  // The last export column of each bottom band, computed once.
  const std::vector<Integer>& BandEdges();
  void ExportBandHeaders(Integer rows);
  void ExportColumnHeaderBackground(Integer row);

  TcxGridExportBandMap bandMap_;
  // The band line of the map: per bottom band its first export column and columns spanned.
  std::vector<std::pair<Integer, Integer>> bandColumns_;
  Integer firstBandWidth_ = -1;
  Integer cachedRowCount_ = -1;
  std::vector<Integer> bandEdges_;
  bool bandEdgesDone_ = false;
};
