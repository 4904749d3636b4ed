// The grid export link: turns the focused view of a grid into the cells of one export file.
// The exporter is chosen by the class of the view; the table view exporter writes the header
// line, group rows with expand signs and indents, and data rows the way the grid shows them.
// The banded view exporter lives in cxExportGridBanded, the card and chart view exporters in
// cxExportGridCardChart.
#pragma once

#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "export/cxExport.h"

class TcxCustomGrid;
class TcxCustomGridView;
class TcxGridTableView;
class TcxGridTableViewInfo;
class TcxCustomGridTableViewInfo;
class TcxCustomEditProperties;
class TcxCustomGridRecord;
class TcxCustomGridRow;
class TcxCustomGridTableItem;
class TcxGridColumn;
struct TcxStyleParams;

KORVAN_EXCEPTION(EcxGridExport, Exception);

// One header cell of the map: the export columns it covers and its caption.
struct TcxGridExportTableMapItem {
  Integer LineCount = 1;
  Integer ItemIndex = 0;
  Integer Col = 0;
  String Text;
  Integer ColCount = 1;
};

class TcxGridExportTableMapLine : public TObject {
  KORVAN_CLASS(TcxGridExportTableMapLine, TObject)

 public:
  void AddItem(Integer col, Integer colCount, Integer lineCount, Integer itemIndex, const String& text);
  Integer Count() const { return Integer(items_.size()); }
  TcxGridExportTableMapItem GetItem(Integer index) const { return items_.at(size_t(index)); }

 private:
  std::vector<TcxGridExportTableMapItem> items_;
};

// The export columns (widths in pixels) made from pixel boundaries, and the header lines.
class TcxGridExportTableMap : public TObject {
  KORVAN_CLASS(TcxGridExportTableMap, TObject)

 public:
  // Makes pos (negative counts as 0) a column boundary, splitting or appending a column.
  void AddBoundary(Integer pos);
  // The index of the column that starts at or covers pos; the last column beyond the end.
  Integer ColumnIndexAt(Integer pos) const;
  void PositionToColumns(Integer& left, Integer& width) const;
  void AddItem(Integer left, Integer line, Integer width, Integer lineCount, Integer itemIndex, const String& text);
  Integer ColumnCount() const { return Integer(widths_.size()); }
  Integer ColumnWidths(Integer i) const { return widths_.at(size_t(i)); }
  Integer LineCount() const { return Integer(lines_.size()); }
  TcxGridExportTableMapLine* Lines(Integer i) const { return lines_.at(size_t(i)).get(); }

 private:
  std::vector<Integer> widths_;
  std::vector<std::unique_ptr<TcxGridExportTableMapLine>> lines_;
};

// The base of every grid exporter: the provider of the export type, the options and the
// records chosen when only the selection is exported. A view of a class without its own
// exporter gets this class, whose export raises the abstract-method error.
class TcxGridCustomExport : public TObject {
  KORVAN_CLASS(TcxGridCustomExport, TObject)

 public:
  // Raises EcxGridExport "Can't create the export output file" when the file cannot be made.
  // viewInfo: a layout of the view to use instead of its own (given for detail views).
  TcxGridCustomExport(const String& fileName, Integer exportType, TcxCustomGridView* gridView, TcxCustomGrid* grid,
                      TcxCustomGridTableViewInfo* viewInfo);
  ~TcxGridCustomExport() override;

  virtual void InitializeDefaultStyle();
  virtual Integer CalculateRowCount();
  virtual void ExportCells();
  // Passes the separators to a provider that takes them.
  virtual void ExportContent();
  virtual void DoExport();

  void AddRecordToExport(Integer rowIndex, bool detailsWhole);
  Integer RecordToExportCount() const { return Integer(records_.size()); }
  Integer RecordToExport(Integer i) const { return records_.at(size_t(i)).first; }
  bool RecordDetailsWhole(Integer i) const { return records_.at(size_t(i)).second; }

  static Byte MapAlignment(TAlignment alignment);
  // The date, currency, spin, calc and time editors (descendants too): their columns are
  // written as typed values in native format.
  static bool IsNativeValueProperties(TcxCustomEditProperties* properties);
  // Colours and font of resolved view parameters; the rest of the style stays.
  static void ViewParamsToStyle(const TcxStyleParams& params, TcxCacheCellStyle& style);

  IcxExportProvider* Provider() const { return provider_.get(); }
  const std::shared_ptr<IcxExportProvider>& ProviderRef() const { return provider_; }
  TcxCustomGridView* GridView() const { return gridView_; }
  TcxCustomGrid* Grid() const { return grid_; }
  bool Expand = true;
  bool SaveAll = true;
  bool UseNativeFormat = false;
  std::vector<String> Separators;

 protected:
  // The item's editor properties, asked for once per export (making them is not cheap).
  TcxCustomEditProperties* ColumnProperties(TcxCustomGridTableItem* item);
  // The text a data cell shows: the record's display text, or, for properties that do not use
  // the field's own text (a memo on a BLOB field), the properties' whole text of the value;
  // then the item's OnGetDisplayText.
  String GetCellText(TcxCustomGridRecord* record, TcxCustomGridTableItem* item);
  // The registered index of the style that `make` builds for a cell of the kind and owner
  // (item or level) with the resolved parameters and an extra distinction (a border colour):
  // made and registered once per distinct key in an export, since the base style of a kind
  // and owner does not change meanwhile.
  template <class F>
  Integer CachedStyle(Integer kind, const void* owner, const TcxStyleParams& params, F&& make, Integer extra = 0) {
    TStyleKey key = StyleKey(kind, owner, params, extra);
    auto it = styles_.find(key);
    if (it != styles_.end()) return it->second;
    Integer index = provider_->RegisterStyle(make());
    styles_.emplace(std::move(key), index);
    return index;
  }

  TcxCustomGridView* gridView_;
  TcxCustomGrid* grid_;
  TcxCustomGridTableViewInfo* viewInfo_;
  std::shared_ptr<IcxExportProvider> provider_;
  String fileName_;
  Integer exportType_;
  // Row indexes of the view data with their details-whole flags.
  std::vector<std::pair<Integer, bool>> records_;

 private:
  // Kind, owner, extra, colour, text colour, whether there is a font, its name, size, style
  // and charset (not the font object: resolved fonts may be temporaries).
  using TStyleKey =
      std::tuple<Integer, const void*, Integer, Integer, Integer, bool, String, Integer, Byte, Integer>;
  static TStyleKey StyleKey(Integer kind, const void* owner, const TcxStyleParams& params, Integer extra);
  std::map<TcxCustomGridTableItem*, TcxCustomEditProperties*> properties_;
  std::map<TStyleKey, Integer> styles_;
};

// Writes a table view: header line, group rows, data rows with their preview lines, master
// rows with their detail views nested as caches, group footers, the footer, grid-line borders
// and the bottom frame.
class TcxGridTableViewExport : public TcxGridCustomExport {
  KORVAN_CLASS(TcxGridTableViewExport, TcxGridCustomExport)

 public:
  using TcxGridCustomExport::TcxGridCustomExport;

  // The kinds of ExportRecordLines.
  static constexpr Integer lkHeader = 0, lkRecord = 1, lkFooter = 2, lkGroupFooter = 3;

  void InitializeDefaultStyle() override;
  Integer CalculateRowCount() override;
  void ExportCells() override;
  void ExportContent() override;
  void DoExport() override;

  // A view info of the detail view laid out from its first record for the bounds; nullptr for
  // a chart view or a view that cannot be laid out (the detail cell then stays empty).
  virtual TcxCustomGridTableViewInfo* CreateDetailViewInfo(TcxCustomGridView* view, const TRect& bounds);
  // The same for a card view.
  virtual TcxCustomGridTableViewInfo* CreateCardDetailViewInfo(TcxCustomGridView* view, const TRect& bounds);
  virtual void BuildColumnMap();
  virtual void ExportRecordLines(Integer row, Integer rowIndex, Integer level, Integer kind);
  virtual Integer GetRecordLineCount() { return 1; }
  virtual Integer GetExpandColumnWidth() { return 16; }
  virtual void GetPreviewStyle(TcxCustomGridRow* record, TcxCacheCellStyle& style);
  // Asked once per column and distinct content parameters of the column for a record (its
  // event, its style, then the view's): an override gives one style for the same parameters.
  virtual void GetContentStyle(TcxCustomGridRow* record, TcxGridColumn* column, TcxCacheCellStyle& style);
  Integer ColCount = 0;
  Integer RowCount = 0;

 protected:
  TcxGridTableView* View() const;
  // The given layout, else the view's own.
  TcxGridTableViewInfo* TableViewInfo() const;
  void ExpandRows();
  void CollectSelectedRecords();
  // Grid mode: the data set's records behind the selected rows, found again after grid mode
  // is switched off.
  void CollectGridModeSelection();
  void ExportRows(Integer row);
  void ExportIndents(Integer row, Integer count);
  void ExportPreviewLine(Integer& row, TcxCustomGridRow* record, bool master);
  // detailsWhole: the detail view is exported whole, else only its selected rows.
  void ExportDetailLine(Integer row, Integer rowIndex, Integer column, bool detailsWhole);
  void ExportExpandSign(Integer col, Integer row, bool expanded);
  void ApplyGridLines(TcxCacheCellStyle& style) const;
  // The footer's and a group footer's text and value of a column (only one of them is fetched:
  // the value with the native format, the text otherwise).
  void GetFooterTextAndValue(TcxGridColumn* column, String& text, Variant& value);
  void GetGroupFooterTextAndValue(TcxGridColumn* column, Integer rowIndex, Integer level, String& text,
                                  Variant& value);
  // The view has detail levels to expand into: one more narrow column for the expand buttons.
  bool HasDetails() const;
  bool PreviewVisible() const;
  Integer ExportedRowCount() const;
  Integer ExportedRowIndex(Integer i) const;
  bool ExportedDetailsWhole(Integer i) const;
  // Writes one header, record, footer or group footer cell of the column at (col, row),
  // `lines` rows high and `span` columns wide, with its text (or value) and style.
  void ExportLineCell(Integer col, Integer row, Integer lines, Integer span, Integer kind, TcxGridColumn* column,
                      const String& caption, TcxCustomGridRow* record, Integer rowIndex, Integer level);
  // The boundaries of the group indent columns and of the expand-button column of details.
  void AddIndentBoundaries();
  // The default style with the button face colour (headers, footers, indents).
  static TcxCacheCellStyle ButtonFaceCellStyle();
  TcxGridExportTableMap map_;
};

// A new exporter of the class chosen by the view's class (the table, card or chart view
// exporter, else the base whose export raises the abstract-method error).
std::unique_ptr<TcxGridCustomExport> CreateGridViewExport(TcxCustomGridView* view, const String& fileName,
                                                          Integer exportType, TcxCustomGrid* grid,
                                                          TcxCustomGridTableViewInfo* viewInfo);

// Writes the grid's focused view to a file of the export type. A nil grid does nothing. With
// a file extension the name's extension becomes "." and it. The separator, begin and end
// strings go to the text writer in this order.
void ExportGridToFile(String fileName, Integer exportType, TcxCustomGrid* grid, bool expand, bool saveAll,
                      bool useNativeFormat, const String& separator, const String& beginString,
                      const String& endString, const String& fileExt);
void ExportGridToHtml(const String& fileName, TcxCustomGrid* grid, bool expand, bool saveAll, const String& fileExt);

void InitializeCxExportGrid4Link();
