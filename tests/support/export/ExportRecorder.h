// A provider for tests of the export links: it keeps the whole cell cache of the text
// providers (so a test reads back texts, styles, spans, widths and heights) and a log line for
// every call the link made, and writes no file. Registered under its own export type.
#pragma once

#include <algorithm>
#include <vector>

#include "export/cxHtmlXmlTxtExport.h"

// An export type no writer uses.
constexpr Integer cxExportToRecorder = 99;

class TcxRecordingExportProvider : public TcxCustomExportProviderSupportedCellInternalChache {
 public:
  explicit TcxRecordingExportProvider(const String& fileName);
  CX_EXPORT_PROVIDER_CLASS(TcxRecordingExportProvider)
  static Integer ExportType() { return cxExportToRecorder; }
  static String ExportName() { return "Recorder"; }

  // Registers the class (once); call before the link asks for the type.
  static void Register();
  // Every recorder made since the last ClearCreated, in creation order (a master before the
  // detail caches it nests). The list holds them, so they outlive the link's references.
  static const std::vector<std::shared_ptr<TcxRecordingExportProvider>>& Created();
  static void ClearCreated();
  // Whether the recorders made from now on take pictures (SupportGraphic); they do unless
  // switched off, like the HTML writer, or like the text writer without.
  static void SetSupportsPictures(bool supports);

  // "SetRange 3 2 1", "SetCellDataString 0 1 abc", "SetCellStyle 0 1 #2", "Commit" ...:
  // one line per call that succeeded.
  const std::vector<String>& Log() const { return log_; }
  bool Logged(const String& line) const;
  // Whether a SetRange call succeeded (a sheet was laid out).
  bool RangeSet() const {
    return std::any_of(log_.begin(), log_.end(), [](const String& l) { return l.rfind("SetRange", 0) == 0; });
  }
  // The written sheet, one line per row: "column:text" of every cell with a text or a span,
  // with "/n" for a span of n columns.
  String Sheet() const;
  Integer CommitCount() const { return commitCount_; }
  // The cell's text as the text writer shows it; "" for a hidden or empty cell.
  String CellText(Integer col, Integer row) const;
  // The nested recorder of a cell, or nullptr.
  TcxRecordingExportProvider* NestedRecorder(Integer col, Integer row) const;

  void Commit() override;
  Integer RegisterStyle(const TcxCacheCellStyle& style) override;
  void SetCellDataDouble(Integer col, Integer row, double value) override;
  void SetCellDataInteger(Integer col, Integer row, Integer value) override;
  void SetCellDataString(Integer col, Integer row, const String& value) override;
  void SetCellDataWideString(Integer col, Integer row, const WideString& value) override;
  void SetCellStyle(Integer col, Integer row, Integer styleIndex) override;
  void SetCellStyle(Integer col, Integer row, Integer exampleCol, Integer exampleRow) override;
  void SetCellStyle(Integer col, Integer row, const TcxCacheCellStyle& style) override;
  void SetCellUnion(Integer col, Integer row, Integer height, Integer width) override;
  void SetCellValue(Integer col, Integer row, const Variant& value) override;
  void SetColumnWidth(Integer col, Integer width) override;
  void SetDefaultStyle(const TcxCacheCellStyle& style) override;
  void SetRange(Integer colCount, Integer rowCount, bool visibleGrid) override;
  void SetRowHeight(Integer row, Integer height) override;
  // Logs the picture's class and size ("SetCellGraphic 0 0 TBitmap 700x500").
  void SetCellGraphic(Integer col, Integer row, TGraphic*& graphic) override;
  bool SupportGraphic() override { return supportsPictures_; }
  void SetCellCache(Integer col, Integer row, const IcxCellInternalCachePtr& cache) override;
  void DeleteCacheFromCell(Integer col, Integer row) override;

 private:
  void Add(const String& line) { log_.push_back(line); }
  std::vector<String> log_;
  Integer commitCount_ = 0;
  bool supportsPictures_;
};
