// The text-cache providers: every call fills an in-memory sheet of cells and Commit writes the
// whole file from it. The cell cache with nested caches (a provider's whole sheet inside one
// cell of another, for detail views), the HTML writer and the text writer.
#pragma once

#include "export/cxExport.h"

enum TcxCellDataType : Byte { cdtNone, cdtString, cdtWideString, cdtDouble, cdtInteger, cdtGraphic };

// One cell of the cache.
struct TcxCacheItem {
  Integer CacheIndex = -1;  // the nested cache's slot in the provider's list, -1 when none
  String Data;              // UTF-8 text, UTF-16 bytes, 8 or 4 value bytes, or packed picture data
  TcxCellDataType DataType = cdtNone;
  bool Hidden = false;      // inside a merged range, not its top-left cell
  bool IsUnion = false;     // the top-left cell of a merged range
  Integer StyleIndex = -1;  // -1: the provider's default style
  Integer UnionColumnCount = 1;
  Integer UnionRowCount = 1;
};

// The text of a cell's data: the string, the wide string in UTF-8, the platform's text of the
// double, the decimal integer; "" for no data and for a picture.
String CacheItemText(const TcxCacheItem& item);

// A provider whose sheet can sit inside a cell of another provider's sheet.
class IcxCellInternalCache : public virtual IInterface {
 public:
  // The writer's cell section (`param` is the writer's own).
  virtual void CommitCache(TStream* stream, Integer param) = 0;
  // The writer's style section.
  virtual void CommitStyle(TStream* stream) = 0;
  virtual void DeleteCacheFromCell(Integer col, Integer row) = 0;
  virtual void SetCellCache(Integer col, Integer row, const std::shared_ptr<IcxCellInternalCache>& cache) = 0;
};
using IcxCellInternalCachePtr = std::shared_ptr<IcxCellInternalCache>;

// The cell cache. Every operation that takes a cell checks the column, then the row, and a
// failing check leaves the cache as it was.
class TcxCustomHtmlXmlTXTExportProvider : public TcxCustomExportProvider, public IcxExportProvider {
 public:
  explicit TcxCustomHtmlXmlTXTExportProvider(const String& fileName);
  ~TcxCustomHtmlXmlTXTExportProvider() override;
  TcxCustomHtmlXmlTXTExportProvider(const TcxCustomHtmlXmlTXTExportProvider&) = delete;
  TcxCustomHtmlXmlTXTExportProvider& operator=(const TcxCustomHtmlXmlTXTExportProvider&) = delete;

  // IcxExportProvider
  void Commit() override {}
  const TcxCacheCellStyle* GetCellStyle(Integer col, Integer row) override;
  const TcxCacheCellStyle* GetStyle(Integer styleIndex) override;
  Integer RegisterStyle(const TcxCacheCellStyle& style) override;
  void SetCellDataDouble(Integer col, Integer row, double value) override;
  void SetCellDataInteger(Integer col, Integer row, Integer value) override;
  void SetCellDataString(Integer col, Integer row, const String& value) override;
  void SetCellDataWideString(Integer col, Integer row, const WideString& value) override;
  void SetCellStyle(Integer col, Integer row, Integer styleIndex) override;
  void SetCellStyle(Integer col, Integer row, Integer exampleCol, Integer exampleRow) override;
  void SetCellStyle(Integer col, Integer row, const TcxCacheCellStyle& style) override;
  void SetCellStyleEx(Integer col, Integer row, Integer height, Integer width, Integer styleIndex) override;
  void SetCellUnion(Integer col, Integer row, Integer height, Integer width) override;
  void SetCellValue(Integer col, Integer row, const Variant& value) override;
  void SetColumnWidth(Integer col, Integer width) override;
  void SetDefaultStyle(const TcxCacheCellStyle& style) override;
  void SetRange(Integer colCount, Integer rowCount, bool visibleGrid) override;
  void SetRowHeight(Integer row, Integer height) override;
  void SetCellGraphic(Integer col, Integer row, TGraphic*& graphic) override;
  bool SupportGraphic() override { return true; }

  Integer GetColumnCount() const { return colCount_; }
  Integer GetRowCount() const { return rowCount_; }
  Integer GetColumnWidth(Integer col) const;
  Integer GetRowHeight(Integer row) const;
  // The column's width, for a union origin the sum of the widths of its columns.
  Integer GetCellWidth(Integer col, Integer row) const;
  TcxCacheItem GetCacheItem(Integer col, Integer row) const;
  // Copies the cell's data bytes; false when it has none.
  bool GetCellData(Integer col, Integer row, String& data) const;
  TcxExportStyleManager* StyleManager() const { return styleManager_; }
  const TcxCacheCellStyle& DefaultStyle() const { return defaultStyle_; }

 protected:
  void CheckCell(Integer col, Integer row) const;
  void CheckStyleIndex(Integer styleIndex) const;
  const TcxCacheItem& Item(Integer col, Integer row) const { return cells_[size_t(row) * size_t(colCount_) + size_t(col)]; }
  TcxCacheItem& Item(Integer col, Integer row) { return cells_[size_t(row) * size_t(colCount_) + size_t(col)]; }
  // The nested cache of a cell, or nullptr.
  IcxCellInternalCache* CellCache(const TcxCacheItem& item) const;
  // Frees every cell's data and the nested caches and empties the sheet.
  virtual void ClearCache();
  // A cell without data (none or an empty string) and with a registered style gets a copy of
  // its style with font size 1. Runs over the nested caches too, so that the styles they add
  // exist before a style section is written.
  void PrepareEmptyCellStyles();
  // The cell's style as the writers see it.
  const TcxCacheCellStyle& CellStyle(const TcxCacheItem& item) const;

  std::vector<IcxCellInternalCachePtr> nestedCaches_;

 private:
  void SetCellData(Integer col, Integer row, TcxCellDataType type, const void* data, size_t size);
  Integer colCount_ = 0;
  Integer rowCount_ = 0;
  std::vector<TcxCacheItem> cells_;  // row by row
  std::vector<Integer> widths_;
  std::vector<Integer> heights_;
  TcxCacheCellStyle defaultStyle_;
  TcxExportStyleManager* styleManager_;
};

// The cache that can hold nested caches in its cells and be nested itself.
class TcxCustomExportProviderSupportedCellInternalChache : public TcxCustomHtmlXmlTXTExportProvider,
                                                           public IcxCellInternalCache {
 public:
  using TcxCustomHtmlXmlTXTExportProvider::TcxCustomHtmlXmlTXTExportProvider;
  void CommitCache(TStream* stream, Integer param) override {}
  void CommitStyle(TStream* stream) override {}
  // A cache replaces the one the cell holds; nullptr is DeleteCacheFromCell.
  void SetCellCache(Integer col, Integer row, const IcxCellInternalCachePtr& cache) override;
  void DeleteCacheFromCell(Integer col, Integer row) override;

 protected:
  // Writes the picture file of a picture cell and answers its name relative to the export
  // file's folder, with "/" separators.
  String WritePictureFile(const TcxCacheItem& item) const;

 private:
  void RemoveCellCache(TcxCacheItem& item);
};

// The HTML writer (export type 2): a UTF-8 page with one CSS class per registered style and
// one table; pictures go to a folder beside the file.
class TcxHTMLExportProvider : public TcxCustomExportProviderSupportedCellInternalChache {
 public:
  using TcxCustomExportProviderSupportedCellInternalChache::TcxCustomExportProviderSupportedCellInternalChache;
  CX_EXPORT_PROVIDER_CLASS(TcxHTMLExportProvider)
  static Integer ExportType() { return cxExportToHtml; }
  static String ExportName() { return cxGetResString(scxExportToHtml); }
  void Commit() override;
  void CommitCache(TStream* stream, Integer param) override;
  void CommitStyle(TStream* stream) override;

 private:
  // Writes the picture file of a picture cell and answers its image tag.
  String WritePicture(const TcxCacheItem& item) const;
};

// The XML writer (export type 3): a pure ASCII data packet "name.xml" (texts outside a safe set
// of characters as numeric character references) and beside it the stylesheet "name.xsl" that
// renders the packet as an HTML table.
class TcxXMLExportProvider : public TcxCustomExportProviderSupportedCellInternalChache {
 public:
  using TcxCustomExportProviderSupportedCellInternalChache::TcxCustomExportProviderSupportedCellInternalChache;
  CX_EXPORT_PROVIDER_CLASS(TcxXMLExportProvider)
  static Integer ExportType() { return cxExportToXml; }
  static String ExportName() { return cxGetResString(scxExportToXml); }
  void Commit() override;
  // Without a stream: the preparation, once (nested caches first); with one: the lines.
  void CommitCache(TStream* stream, Integer param) override;
  void CommitStyle(TStream* stream) override;
  // The stylesheet's file name: "_" until Commit, then the export file name with the
  // extension of its name part replaced by ".xsl".
  const String& StyleSheetFileName() const { return styleSheetFileName_; }

 private:
  // Empty and picture cells, written as the text ".", get a copy of their style whose font
  // colour is their background colour.
  void Prepare();
  bool preparePending_ = true;
  String styleSheetFileName_ = "_";
};

// The text of a cell for the XML packet: characters outside the safe set of NeedsEncoding
// (strict) make the whole text numeric character references; with `all`, every character is
// one. A character XML does not allow, even as a reference, becomes U+FFFD.
void AppendXmlText(String& out, std::string_view s, bool all);

// The stylesheet that renders the packet (121 lines, each ended by CR LF).
String XmlExportStyleSheet();

// The text writer (export type 4): one line per row, fixed-width columns padded with blanks, or
// delimited values with begin and end strings. Widths count display columns.
class TcxTXTExportProvider : public TcxCustomExportProviderSupportedCellInternalChache, public IcxExportSeparators {
 public:
  using TcxCustomExportProviderSupportedCellInternalChache::TcxCustomExportProviderSupportedCellInternalChache;
  CX_EXPORT_PROVIDER_CLASS(TcxTXTExportProvider)
  static Integer ExportType() { return cxExportToText; }
  static String ExportName() { return cxGetResString(scxExportToText); }
  // The first call sets the separator, the second the begin string, the third the end string.
  void AddSeparator(const String& s) override;
  bool SupportGraphic() override { return false; }
  void Commit() override;
  void CommitCache(TStream* stream, Integer param) override;

 private:
  String CellText(const TcxCacheItem& item) const;
  String separator_, beginString_, endString_;
  Integer separatorCount_ = 0;
};

// The unit start: registers the HTML, the XML and the text provider.
void InitializeCxHtmlXmlTxtExport();
