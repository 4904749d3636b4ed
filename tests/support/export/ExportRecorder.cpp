#include "tests/support/export/ExportRecorder.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "vcl/Graphics.h"

namespace {
std::vector<std::shared_ptr<TcxRecordingExportProvider>>& CreatedList() {
  static std::vector<std::shared_ptr<TcxRecordingExportProvider>> list;
  return list;
}

String Cell(Integer col, Integer row) { return IntToStr(col) + " " + IntToStr(row); }

bool& SupportsPictures() {
  static bool supports = true;
  return supports;
}

// The recorder behind every creation through the registry.
class TcxRecorderClass final : public TcxExportProviderClassInfo {
 public:
  Integer ExportType() const override { return TcxRecordingExportProvider::ExportType(); }
  String ExportName() const override { return TcxRecordingExportProvider::ExportName(); }
  std::shared_ptr<TcxCustomExportProvider> Create(const String& fileName) const override {
    auto p = std::make_shared<TcxRecordingExportProvider>(fileName);
    CreatedList().push_back(p);
    return p;
  }
};
}  // namespace

TcxRecordingExportProvider::TcxRecordingExportProvider(const String& fileName)
    : TcxCustomExportProviderSupportedCellInternalChache(fileName), supportsPictures_(SupportsPictures()) {}

void TcxRecordingExportProvider::SetSupportsPictures(bool supports) { SupportsPictures() = supports; }

bool TcxRecordingExportProvider::Logged(const String& line) const {
  return std::find(log_.begin(), log_.end(), line) != log_.end();
}

String TcxRecordingExportProvider::Sheet() const {
  std::map<std::pair<Integer, Integer>, Integer> spans;
  for (const String& line : log_) {
    Integer c = 0, row = 0, h = 0, w = 0;
    if (std::sscanf(line.c_str(), "SetCellUnion %d %d %d %d", &c, &row, &h, &w) == 4) spans[{c, row}] = w;
  }
  String out;
  for (Integer row = 0; row < GetRowCount(); ++row) {
    String line;
    for (Integer c = 0; c < GetColumnCount(); ++c) {
      String text = CellText(c, row);
      auto it = spans.find({c, row});
      Integer span = it == spans.end() ? 1 : it->second;
      if (text.empty() && span == 1) continue;
      if (!line.empty()) line += " ";
      line += IntToStr(c) + ":" + text + (span > 1 ? "/" + IntToStr(span) : String());
    }
    out += line + "\n";
  }
  return out;
}

void TcxRecordingExportProvider::Register() {
  static const TcxRecorderClass info;
  InitializeCxHtmlXmlTxtExport();
  TcxExport::RegisterProviderClass(&info);
}

const std::vector<std::shared_ptr<TcxRecordingExportProvider>>& TcxRecordingExportProvider::Created() {
  return CreatedList();
}

void TcxRecordingExportProvider::ClearCreated() { CreatedList().clear(); }

String TcxRecordingExportProvider::CellText(Integer col, Integer row) const {
  TcxCacheItem item = GetCacheItem(col, row);
  return item.Hidden ? String() : CacheItemText(item);
}

TcxRecordingExportProvider* TcxRecordingExportProvider::NestedRecorder(Integer col, Integer row) const {
  TcxCacheItem item = GetCacheItem(col, row);
  return dynamic_cast<TcxRecordingExportProvider*>(CellCache(item));
}

void TcxRecordingExportProvider::Commit() {
  ++commitCount_;
  Add("Commit");
}

Integer TcxRecordingExportProvider::RegisterStyle(const TcxCacheCellStyle& style) {
  Integer index = TcxCustomExportProviderSupportedCellInternalChache::RegisterStyle(style);
  Add("RegisterStyle #" + IntToStr(index));
  return index;
}

void TcxRecordingExportProvider::SetCellDataDouble(Integer col, Integer row, double value) {
  TcxCustomExportProviderSupportedCellInternalChache::SetCellDataDouble(col, row, value);
  Add("SetCellDataDouble " + Cell(col, row) + " " + FloatToStr(value));
}

void TcxRecordingExportProvider::SetCellDataInteger(Integer col, Integer row, Integer value) {
  TcxCustomExportProviderSupportedCellInternalChache::SetCellDataInteger(col, row, value);
  Add("SetCellDataInteger " + Cell(col, row) + " " + IntToStr(value));
}

void TcxRecordingExportProvider::SetCellDataString(Integer col, Integer row, const String& value) {
  TcxCustomExportProviderSupportedCellInternalChache::SetCellDataString(col, row, value);
  Add("SetCellDataString " + Cell(col, row) + " " + value);
}

void TcxRecordingExportProvider::SetCellDataWideString(Integer col, Integer row, const WideString& value) {
  TcxCustomExportProviderSupportedCellInternalChache::SetCellDataWideString(col, row, value);
  Add("SetCellDataWideString " + Cell(col, row) + " " + UTF8Encode(value));
}

void TcxRecordingExportProvider::SetCellStyle(Integer col, Integer row, Integer styleIndex) {
  TcxCustomExportProviderSupportedCellInternalChache::SetCellStyle(col, row, styleIndex);
  Add("SetCellStyle " + Cell(col, row) + " #" + IntToStr(styleIndex));
}

void TcxRecordingExportProvider::SetCellStyle(Integer col, Integer row, Integer exampleCol, Integer exampleRow) {
  TcxCustomExportProviderSupportedCellInternalChache::SetCellStyle(col, row, exampleCol, exampleRow);
  Add("SetCellStyle " + Cell(col, row) + " like " + Cell(exampleCol, exampleRow));
}

void TcxRecordingExportProvider::SetCellStyle(Integer col, Integer row, const TcxCacheCellStyle& style) {
  // The base registers through the virtual RegisterStyle, which logs the index.
  TcxCustomExportProviderSupportedCellInternalChache::SetCellStyle(col, row, style);
  Add("SetCellStyle " + Cell(col, row) + " #" + IntToStr(GetCacheItem(col, row).StyleIndex));
}

void TcxRecordingExportProvider::SetCellUnion(Integer col, Integer row, Integer height, Integer width) {
  TcxCustomExportProviderSupportedCellInternalChache::SetCellUnion(col, row, height, width);
  Add("SetCellUnion " + Cell(col, row) + " " + IntToStr(height) + " " + IntToStr(width));
}

void TcxRecordingExportProvider::SetCellValue(Integer col, Integer row, const Variant& value) {
  // The base stores through SetCellDataString, which logs the text; the value's type is noted.
  Add("SetCellValue " + Cell(col, row) + " type " + IntToStr(VarType(value)));
  TcxCustomExportProviderSupportedCellInternalChache::SetCellValue(col, row, value);
}

void TcxRecordingExportProvider::SetColumnWidth(Integer col, Integer width) {
  TcxCustomExportProviderSupportedCellInternalChache::SetColumnWidth(col, width);
  Add("SetColumnWidth " + IntToStr(col) + " " + IntToStr(width));
}

void TcxRecordingExportProvider::SetDefaultStyle(const TcxCacheCellStyle& style) {
  TcxCustomExportProviderSupportedCellInternalChache::SetDefaultStyle(style);
  Add("SetDefaultStyle");
}

void TcxRecordingExportProvider::SetRange(Integer colCount, Integer rowCount, bool visibleGrid) {
  TcxCustomExportProviderSupportedCellInternalChache::SetRange(colCount, rowCount, visibleGrid);
  Add("SetRange " + IntToStr(colCount) + " " + IntToStr(rowCount) + " " + (visibleGrid ? "1" : "0"));
}

void TcxRecordingExportProvider::SetRowHeight(Integer row, Integer height) {
  TcxCustomExportProviderSupportedCellInternalChache::SetRowHeight(row, height);
  Add("SetRowHeight " + IntToStr(row) + " " + IntToStr(height));
}

void TcxRecordingExportProvider::SetCellGraphic(Integer col, Integer row, TGraphic*& graphic) {
  // Pictures are not written: the cell keeps no data, the log names the call.
  CheckCell(col, row);
  Add("SetCellGraphic " + Cell(col, row) +
      (graphic ? " " + graphic->ClassName() + " " + IntToStr(graphic->Width()) + "x" + IntToStr(graphic->Height())
               : String(" nil")));
}

void TcxRecordingExportProvider::SetCellCache(Integer col, Integer row, const IcxCellInternalCachePtr& cache) {
  TcxCustomExportProviderSupportedCellInternalChache::SetCellCache(col, row, cache);
  if (cache) Add("SetCellCache " + Cell(col, row));
}

void TcxRecordingExportProvider::DeleteCacheFromCell(Integer col, Integer row) {
  TcxCustomExportProviderSupportedCellInternalChache::DeleteCacheFromCell(col, row);
  Add("DeleteCacheFromCell " + Cell(col, row));
}
