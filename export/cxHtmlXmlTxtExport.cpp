#include "export/cxHtmlXmlTxtExport.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <unordered_map>

#include "vcl/Graphics.h"

namespace {

constexpr std::string_view CRLF = "\r\n";

void AppendInt(String& out, Int64 value) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof(buf), value);
  out.append(buf, size_t(r.ptr - buf));
}

void AppendRGB(String& out, Integer color) {
  out += "rgb(";
  AppendInt(out, color & 0xFF);
  out += ',';
  AppendInt(out, (color >> 8) & 0xFF);
  out += ',';
  AppendInt(out, (color >> 16) & 0xFF);
  out += ')';
}

// "<", ">", "&" and the double quote as entities; with `lineBreaks`, CR LF and a lone LF as
// "<BR>" (a lone CR stays).
void AppendHtmlText(String& out, std::string_view s, bool lineBreaks) {
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      case '\r':
        if (lineBreaks && i + 1 < s.size() && s[i + 1] == '\n') {
          out += "<BR>";
          ++i;
        } else {
          out += c;
        }
        break;
      case '\n':
        if (lineBreaks) out += "<BR>";
        else out += c;
        break;
      default: out += c;
    }
  }
}

const char* HtmlAlign(Byte align) {
  switch (align) {
    case catLeft: return "LEFT";
    case catCenter: return "CENTER";
    case catRight: return "RIGHT";
    default: return "";
  }
}

double ItemDouble(const TcxCacheItem& item) {
  double v = 0;
  std::memcpy(&v, item.Data.data(), std::min(sizeof(v), item.Data.size()));
  return v;
}

Integer ItemInteger(const TcxCacheItem& item) {
  Integer v = 0;
  std::memcpy(&v, item.Data.data(), std::min(sizeof(v), item.Data.size()));
  return v;
}

String ItemWideText(const TcxCacheItem& item) {
  WideString w(item.Data.size() / 2, u'\0');
  std::memcpy(w.data(), item.Data.data(), w.size() * 2);
  return UTF8Encode(w);
}

}  // namespace

String CacheItemText(const TcxCacheItem& item) {
  switch (item.DataType) {
    case cdtString: return item.Data;
    case cdtWideString: return ItemWideText(item);
    case cdtDouble: return FloatToStr(ItemDouble(item));
    case cdtInteger: return IntToStr(ItemInteger(item));
    default: return {};
  }
}

// ---------------------------------------------------------------------------------------------
// The cell cache

TcxCustomHtmlXmlTXTExportProvider::TcxCustomHtmlXmlTXTExportProvider(const String& fileName)
    : TcxCustomExportProvider(fileName), defaultStyle_(DefaultCellStyle()) {
  styleManager_ = TcxExportStyleManager::GetInstance(fileName);
  cxExportTextProviderCreated();
}

TcxCustomHtmlXmlTXTExportProvider::~TcxCustomHtmlXmlTXTExportProvider() {
  ClearCache();
  cxExportTextProviderDestroyed();
  styleManager_->Release();
}

void TcxCustomHtmlXmlTXTExportProvider::ClearCache() {
  cells_.clear();
  cells_.shrink_to_fit();
  nestedCaches_.clear();
  widths_.clear();
  heights_.clear();
  colCount_ = rowCount_ = 0;
}

void TcxCustomHtmlXmlTXTExportProvider::CheckCell(Integer col, Integer row) const {
  if (col < 0 || col >= colCount_) cxExportError(scxInvalidColumnIndex, col);
  if (row < 0 || row >= rowCount_) cxExportError(scxInvalidRowIndex, row);
}

void TcxCustomHtmlXmlTXTExportProvider::CheckStyleIndex(Integer styleIndex) const {
  if (styleIndex >= styleManager_->GetStyleCount()) cxExportError(scxInvalidStyleIndex, styleIndex);
}

IcxCellInternalCache* TcxCustomHtmlXmlTXTExportProvider::CellCache(const TcxCacheItem& item) const {
  if (item.CacheIndex < 0 || size_t(item.CacheIndex) >= nestedCaches_.size()) return nullptr;
  return nestedCaches_[size_t(item.CacheIndex)].get();
}

const TcxCacheCellStyle& TcxCustomHtmlXmlTXTExportProvider::CellStyle(const TcxCacheItem& item) const {
  return item.StyleIndex < 0 ? defaultStyle_ : *styleManager_->GetStyle(item.StyleIndex);
}

void TcxCustomHtmlXmlTXTExportProvider::SetRange(Integer colCount, Integer rowCount, bool visibleGrid) {
  if (colCount < 1 || rowCount < 1) cxExportError(scxInvalidColumnRowCount);
  cells_.assign(size_t(colCount) * size_t(rowCount), TcxCacheItem{});
  nestedCaches_.clear();
  colCount_ = colCount;
  rowCount_ = rowCount;
  widths_.assign(size_t(colCount), 0);
  heights_.assign(size_t(rowCount), 0);
  for (TcxCellBorders& b : defaultStyle_.Borders) b.Width = visibleGrid ? 1 : 0;
}

void TcxCustomHtmlXmlTXTExportProvider::SetColumnWidth(Integer col, Integer width) {
  if (col < 0 || col >= colCount_) cxExportError(scxInvalidColumnIndex, col);
  if (width < 0) cxExportError(scxIllegalWidth);
  widths_[size_t(col)] = width;
}

void TcxCustomHtmlXmlTXTExportProvider::SetRowHeight(Integer row, Integer height) {
  if (row < 0 || row >= rowCount_) cxExportError(scxInvalidRowIndex, row);
  if (height < 0) cxExportError(scxIllegalHeight);
  heights_[size_t(row)] = height;
}

Integer TcxCustomHtmlXmlTXTExportProvider::GetColumnWidth(Integer col) const {
  if (col < 0 || col >= colCount_) cxExportError(scxInvalidColumnIndex, col);
  return widths_[size_t(col)];
}

Integer TcxCustomHtmlXmlTXTExportProvider::GetRowHeight(Integer row) const {
  if (row < 0 || row >= rowCount_) cxExportError(scxInvalidRowIndex, row);
  return heights_[size_t(row)];
}

Integer TcxCustomHtmlXmlTXTExportProvider::GetCellWidth(Integer col, Integer row) const {
  CheckCell(col, row);
  const TcxCacheItem& item = Item(col, row);
  if (!item.IsUnion) return widths_[size_t(col)];
  Integer sum = 0;
  for (Integer c = col; c < col + item.UnionColumnCount && c < colCount_; ++c) sum += widths_[size_t(c)];
  return sum;
}

TcxCacheItem TcxCustomHtmlXmlTXTExportProvider::GetCacheItem(Integer col, Integer row) const {
  CheckCell(col, row);
  return Item(col, row);
}

bool TcxCustomHtmlXmlTXTExportProvider::GetCellData(Integer col, Integer row, String& data) const {
  CheckCell(col, row);
  data = Item(col, row).Data;
  return !data.empty();
}

void TcxCustomHtmlXmlTXTExportProvider::SetDefaultStyle(const TcxCacheCellStyle& style) { defaultStyle_ = style; }

Integer TcxCustomHtmlXmlTXTExportProvider::RegisterStyle(const TcxCacheCellStyle& style) {
  TcxCacheCellStyle copy = style;
  return styleManager_->RegisterStyle(copy);
}

const TcxCacheCellStyle* TcxCustomHtmlXmlTXTExportProvider::GetStyle(Integer styleIndex) {
  if (styleIndex < 0) return &defaultStyle_;
  return styleManager_->GetStyle(styleIndex);
}

const TcxCacheCellStyle* TcxCustomHtmlXmlTXTExportProvider::GetCellStyle(Integer col, Integer row) {
  CheckCell(col, row);
  return &CellStyle(Item(col, row));
}

void TcxCustomHtmlXmlTXTExportProvider::SetCellStyle(Integer col, Integer row, Integer styleIndex) {
  CheckCell(col, row);
  CheckStyleIndex(styleIndex);
  Item(col, row).StyleIndex = styleIndex < 0 ? -1 : styleIndex;
}

void TcxCustomHtmlXmlTXTExportProvider::SetCellStyle(Integer col, Integer row, Integer exampleCol, Integer exampleRow) {
  CheckCell(col, row);
  CheckCell(exampleCol, exampleRow);
  Item(col, row).StyleIndex = Item(exampleCol, exampleRow).StyleIndex;
}

void TcxCustomHtmlXmlTXTExportProvider::SetCellStyle(Integer col, Integer row, const TcxCacheCellStyle& style) {
  CheckCell(col, row);
  Item(col, row).StyleIndex = RegisterStyle(style);
}

void TcxCustomHtmlXmlTXTExportProvider::SetCellStyleEx(Integer col, Integer row, Integer height, Integer width,
                                                       Integer styleIndex) {
  SetCellStyle(col, row, styleIndex);
  SetCellUnion(col, row, height, width);
}

void TcxCustomHtmlXmlTXTExportProvider::SetCellUnion(Integer col, Integer row, Integer height, Integer width) {
  CheckCell(col, row);
  Integer w = std::max(1, std::min(width, colCount_ - col));
  Integer h = std::max(1, std::min(height, rowCount_ - row));
  for (Integer r = row; r < row + h; ++r)
    for (Integer c = col; c < col + w; ++c)
      if (r != row || c != col) Item(c, r).Hidden = true;
  TcxCacheItem& origin = Item(col, row);
  origin.IsUnion = true;
  origin.UnionColumnCount = w;
  origin.UnionRowCount = h;
}

void TcxCustomHtmlXmlTXTExportProvider::SetCellData(Integer col, Integer row, TcxCellDataType type, const void* data,
                                                    size_t size) {
  CheckCell(col, row);
  TcxCacheItem& item = Item(col, row);
  item.Data.assign(static_cast<const char*>(data), size);
  item.DataType = type;
}

void TcxCustomHtmlXmlTXTExportProvider::SetCellDataString(Integer col, Integer row, const String& value) {
  SetCellData(col, row, cdtString, value.data(), value.size());
}

void TcxCustomHtmlXmlTXTExportProvider::SetCellDataWideString(Integer col, Integer row, const WideString& value) {
  SetCellData(col, row, cdtWideString, value.data(), value.size() * 2);
}

void TcxCustomHtmlXmlTXTExportProvider::SetCellDataDouble(Integer col, Integer row, double value) {
  SetCellData(col, row, cdtDouble, &value, sizeof(value));
}

void TcxCustomHtmlXmlTXTExportProvider::SetCellDataInteger(Integer col, Integer row, Integer value) {
  SetCellData(col, row, cdtInteger, &value, sizeof(value));
}

void TcxCustomHtmlXmlTXTExportProvider::SetCellValue(Integer col, Integer row, const Variant& value) {
  CheckCell(col, row);
  // Time stamps arrive as dates and BCD values as doubles: both take the plain text forms.
  String text = VarType(value) == varCurrency ? FormatCurr(CurrencyFormat(), value.AsCurrency()) : VarToStr(value);
  SetCellDataString(col, row, text);
}

void TcxCustomHtmlXmlTXTExportProvider::SetCellGraphic(Integer col, Integer row, TGraphic*& graphic) {
  CheckCell(col, row);
  if (graphic == nullptr) {
    SetCellData(col, row, cdtNone, nullptr, 0);
    return;
  }
  String data = GraphicToData(FileName(), graphic);
  SetCellData(col, row, cdtGraphic, data.data(), data.size());
}

void TcxCustomHtmlXmlTXTExportProvider::PrepareEmptyCellStyles() {
  static thread_local std::vector<const void*> preparing;  // guards against a cache nested in itself
  if (std::find(preparing.begin(), preparing.end(), this) != preparing.end()) return;
  preparing.push_back(this);
  struct Pop {
    ~Pop() { preparing.pop_back(); }
  } pop;
  std::vector<Integer> copies;  // style index -> index of its font-size-1 copy, -1 not yet known
  for (TcxCacheItem& item : cells_) {
    if (item.CacheIndex >= 0)
      if (auto* nested = dynamic_cast<TcxCustomHtmlXmlTXTExportProvider*>(CellCache(item)))
        nested->PrepareEmptyCellStyles();
    if (item.StyleIndex < 0 || !item.Data.empty() || (item.DataType != cdtNone && item.DataType != cdtString))
      continue;
    if (size_t(item.StyleIndex) >= copies.size()) copies.resize(size_t(styleManager_->GetStyleCount()), -1);
    Integer& copy = copies[size_t(item.StyleIndex)];
    if (copy < 0) {
      TcxCacheCellStyle style = *styleManager_->GetStyle(item.StyleIndex);
      style.FontSize = 1;
      copy = styleManager_->RegisterStyle(style);
    }
    item.StyleIndex = copy;
  }
}

// ---------------------------------------------------------------------------------------------
// Nested caches

void TcxCustomExportProviderSupportedCellInternalChache::SetCellCache(Integer col, Integer row,
                                                                      const IcxCellInternalCachePtr& cache) {
  if (!cache) {
    DeleteCacheFromCell(col, row);
    return;
  }
  CheckCell(col, row);
  TcxCacheItem& item = Item(col, row);
  RemoveCellCache(item);
  nestedCaches_.push_back(cache);
  item.CacheIndex = Integer(nestedCaches_.size()) - 1;
}

void TcxCustomExportProviderSupportedCellInternalChache::DeleteCacheFromCell(Integer col, Integer row) {
  CheckCell(col, row);
  RemoveCellCache(Item(col, row));
}

void TcxCustomExportProviderSupportedCellInternalChache::RemoveCellCache(TcxCacheItem& item) {
  if (item.CacheIndex < 0) return;
  // The slot stays (empty), so that the indexes other cells hold keep naming their caches.
  nestedCaches_[size_t(item.CacheIndex)].reset();
  item.CacheIndex = -1;
}

String TcxCustomExportProviderSupportedCellInternalChache::WritePictureFile(const TcxCacheItem& item) const {
  String name, bytes;
  DataToGraphic(item.Data, name, bytes);
  String folder = ExtractFileDir(name);
  if (!folder.empty() && !DirectoryExists(folder)) CreateDir(folder);
  {
    TFileStreamEx file(name, fmCreate);
    file.WriteBuffer(bytes.data(), Int64(bytes.size()));
  }
  String exportFolder = ExtractFilePath(FileName());
  if (!exportFolder.empty() && name.compare(0, exportFolder.size(), exportFolder) == 0)
    name.erase(0, exportFolder.size());
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

// ---------------------------------------------------------------------------------------------
// HTML

void TcxHTMLExportProvider::Commit() {
  TFileStreamEx file(FileName(), fmCreate);
  TcxBufferedStream out(&file);
  String head = "<HTML>\r\n<HEAD>\r\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">\r\n<TITLE>";
  AppendHtmlText(head, FileName(), false);
  head += "</TITLE>\r\n<STYLE TYPE=\"text/css\"><!--\r\n";
  out.Put(head);
  CommitStyle(&out);
  out.Put("--></STYLE>\r\n</HEAD>\r\n<BODY>\r\n");
  CommitCache(&out, 0);
  out.Put("</BODY>\r\n</HTML>");
  out.Flush();
}

void TcxHTMLExportProvider::CommitStyle(TStream* stream) {
  PrepareEmptyCellStyles();
  static const char* const widthNames[4] = {" border-left-width: ", " border-top-width: ", " border-right-width: ",
                                            " border-bottom-width: "};
  static const char* const colorNames[4] = {" border-left-color: ", " border-top-color: ", " border-right-color: ",
                                            " border-bottom-color: "};
  String rules;
  TcxExportStyleManager* manager = StyleManager();
  for (Integer n = 0; n < manager->GetStyleCount(); ++n) {
    const TcxCacheCellStyle& s = *manager->GetStyle(n);
    rules += ".Style";
    AppendInt(rules, n);
    rules += " { border-style: solid;";
    rules += s.FontSize == 1 ? "padding:0px;" : " padding: 3;";
    for (int b = 0; b < 4; ++b) {
      rules += widthNames[b];
      AppendInt(rules, s.Borders[b].IsDefault ? 0 : s.Borders[b].Width);
      rules += ';';
    }
    for (int b = 0; b < 4; ++b) {
      rules += colorNames[b];
      AppendRGB(rules, s.Borders[b].IsDefault ? 0 : s.Borders[b].Color);
      rules += ';';
    }
    rules += " font-family: '";
    rules += cxStyleFontName(s);
    rules += "'; mso-font-charset: ";
    AppendInt(rules, s.FontCharset);
    rules += ';';
    if (s.FontStyle & cfsBold) rules += " font-weight: bold;";
    if (s.FontStyle & cfsItalic) rules += " font-style: italic;";
    if (s.FontStyle & cfsUnderline) rules += " text-decoration: underline;";
    if (s.FontStyle & cfsStrikeOut) rules += " text-decoration: line-through;";
    rules += " font-size: ";
    AppendInt(rules, s.FontSize);
    rules += "pt; color: ";
    AppendRGB(rules, s.FontColor);
    rules += "; background-color: ";
    AppendRGB(rules, s.BrushBkColor);
    rules += "}\r\n\r\n";
  }
  cxWriteText(stream, rules);
}

String TcxHTMLExportProvider::WritePicture(const TcxCacheItem& item) const {
  String tag = "<img src=\"";
  AppendHtmlText(tag, WritePictureFile(item), false);
  tag += "\"></img>";
  return tag;
}

void TcxHTMLExportProvider::CommitCache(TStream* stream, Integer param) {
  PrepareEmptyCellStyles();
  const Integer cols = GetColumnCount(), rows = GetRowCount();
  String out = "<TABLE BORDER=0 CELLSPACING=0 WIDTH=";
  Int64 total = 0;
  for (Integer c = 0; c < cols; ++c) total += GetColumnWidth(c);
  AppendInt(out, total);
  out += ">\r\n<TR>\r\n";
  for (Integer c = 0; c < cols; ++c) {
    out += "<TD  WIDTH=";
    AppendInt(out, GetColumnWidth(c));
    out += " HEIGHT=0></TD>\r\n";
  }
  out += "</TR>\r\n";
  cxWriteText(stream, out);
  for (Integer r = 0; r < rows; ++r) {
    out = "<TR>\r\n";
    const Integer height = GetRowHeight(r);
    for (Integer c = 0; c < cols; ++c) {
      const TcxCacheItem& item = Item(c, r);
      if (item.Hidden) continue;
      out += "<TD";
      if (item.IsUnion) {
        if (item.UnionColumnCount > 1) {
          out += " COLSPAN=";
          AppendInt(out, item.UnionColumnCount);
        }
        if (item.UnionRowCount > 1) {
          out += " ROWSPAN=";
          AppendInt(out, item.UnionRowCount);
        }
      }
      out += " NOWRAP ALIGN=";
      out += HtmlAlign(CellStyle(item).AlignText);
      out += " CLASS=Style";
      AppendInt(out, item.StyleIndex);
      out += " HEIGHT=";
      AppendInt(out, height);
      out += "px>";
      size_t contentStart = out.size();
      if (IcxCellInternalCache* nested = CellCache(item)) {
        cxWriteText(stream, out);
        out.clear();
        contentStart = 0;
        nested->CommitCache(stream, param);
      } else {
        switch (item.DataType) {
          case cdtGraphic: out += WritePicture(item); break;
          case cdtString: AppendHtmlText(out, item.Data, true); break;
          case cdtInteger: AppendInt(out, ItemInteger(item)); break;
          case cdtWideString:
          case cdtDouble: AppendHtmlText(out, CacheItemText(item), true); break;
          case cdtNone: break;
        }
      }
      if (out.size() == contentStart) out += "&nbsp";
      out += "</TD>\r\n";
    }
    out += "</TR>\r\n";
    cxWriteText(stream, out);
  }
  cxWriteText(stream, "</TABLE>\r\n");
}

// ---------------------------------------------------------------------------------------------
// XML

namespace {

// A code point XML 1.0 allows, also as a character reference.
bool IsXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

const char* XmlAlignText(Byte align) {
  switch (align) {
    case catLeft: return "Left";
    case catCenter: return "Center";
    case catRight: return "Right";
    default: return "";
  }
}

const char* XmlCellAlign(Byte align) {
  switch (align) {
    case catLeft: return "left";
    case catCenter: return "center";
    case catRight: return "right";
    default: return "";
  }
}

const char* XmlBool(bool value) { return value ? "True" : "False"; }

// ` name="value"` for an integer value.
void AppendIntAttr(String& out, const char* name, Int64 value) {
  out += name;
  out += "=\"";
  AppendInt(out, value);
  out += '"';
}

void AppendRGBAttr(String& out, const char* name, Integer color) {
  out += name;
  out += "=\"";
  AppendRGB(out, color);
  out += '"';
}

// The cell is written with the text "." that stands for a picture or for no data.
bool IsDotCell(const TcxCacheItem& item) {
  switch (item.DataType) {
    case cdtNone:
    case cdtGraphic: return true;
    case cdtString:
    case cdtWideString: return item.Data.empty();
    default: return false;
  }
}

// A relative URI of the name: every byte of its UTF-8 form but the unreserved ASCII characters
// as "%" and two hex digits. (XSLT processors do not expand character references in the
// stylesheet instruction, so a name written as references would not be found.)
void AppendUriText(String& out, std::string_view name) {
  static const char hex[] = "0123456789ABCDEF";
  for (char ch : name) {
    auto c = static_cast<unsigned char>(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~') {
      out += ch;
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
}

}  // namespace

void AppendXmlText(String& out, std::string_view s, bool all) {
  String text(s);
  if (!all && !NeedsEncoding(text, true)) {
    out += text;
    return;
  }
  // A surrogate pair is one reference to its code point: references to the halves are not
  // characters XML allows.
  WideString w = UTF8Decode(text);
  for (size_t i = 0; i < w.size(); ++i) {
    char32_t c = w[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(w[i + 1]) - 0xDC00);
      ++i;
    }
    if (!IsXmlChar(c)) c = 0xFFFD;
    out += "&#";
    AppendInt(out, Int64(c));
    out += ';';
  }
}

String XmlExportStyleSheet() {
  static const char* const kStyleSheet =
      "<?xml version=\"1.0\"?>\r\n"
      "\r\n"
      "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\r\n"
      "<xsl:template match=\"/\">\r\n"
      "<xsl:apply-templates select=\"CACHE\" />\r\n"
      "</xsl:template>\r\n"
      "\r\n"
      "<xsl:template match=\"CACHE\">\r\n"
      "<html>\r\n"
      "<head>\r\n"
      "<xsl:apply-templates select=\"TITLE\" />\r\n"
      "<xsl:apply-templates select=\"STYLES\" />\r\n"
      "</head>\r\n"
      "<body>\r\n"
      "<xsl:apply-templates select=\"LINES\" />\r\n"
      "</body>\r\n"
      "</html>\r\n"
      "</xsl:template>\r\n"
      "\r\n"
      "<xsl:template match=\"TITLE\">\r\n"
      "<title>\r\n"
      "<xsl:value-of select=\".\" />\r\n"
      "</title>\r\n"
      "</xsl:template>\r\n"
      "\r\n"
      "<xsl:template match=\"STYLES\">\r\n"
      "<style type=\"text/css\">\r\n"
      "<xsl:apply-templates select=\"STYLE\" />\r\n"
      "</style>\r\n"
      "</xsl:template>\r\n"
      "\r\n"
      "<xsl:template match=\"STYLE\">\r\n"
      ".Style<xsl:value-of select=\"@Id\" />\r\n"
      "{ border-style: solid;\r\n"
      "  padding: <xsl:value-of select=\"@CellPadding\" />;\r\n"
      "  font-family: <xsl:value-of select=\"@FontName\" />;\r\n"
      "  mso-font-charset: <xsl:value-of select=\"@FontCharset\" />;\r\n"
      "  font-size: <xsl:value-of select=\"@FontSize\" />pt;\r\n"
      "  color: <xsl:value-of select=\"@FontColor\" />;\r\n"
      "  background-color: <xsl:value-of select=\"@BrushBkColor\" />;\r\n"
      "<xsl:if test=\"@Bold='True'\">\r\n"
      "  font-weight: bold;\r\n"
      "</xsl:if>\r\n"
      "<xsl:if test=\"@Italic='True'\">\r\n"
      "  font-style: italic;\r\n"
      "</xsl:if>\r\n"
      "<xsl:if test=\"@Underline='True'\">\r\n"
      "  text-decoration: underline;\r\n"
      "</xsl:if>\r\n"
      "<xsl:if test=\"@StrikeOut='True'\">\r\n"
      "  text-decoration: line-through;\r\n"
      "</xsl:if>\r\n"
      "<xsl:apply-templates select=\"BORDER_LEFT\" />\r\n"
      "<xsl:apply-templates select=\"BORDER_UP\" />\r\n"
      "<xsl:apply-templates select=\"BORDER_RIGHT\" />\r\n"
      "<xsl:apply-templates select=\"BORDER_DOWN\" />\r\n"
      "}\r\n"
      "</xsl:template>\r\n"
      "\r\n"
      "<xsl:template match=\"BORDER_LEFT\">\r\n"
      "border-left-width: <xsl:value-of select=\"@Width\" />;\r\n"
      "border-left-color: <xsl:value-of select=\"@Color\" />;\r\n"
      "</xsl:template>\r\n"
      "\r\n"
      "<xsl:template match=\"BORDER_UP\">\r\n"
      "border-top-width: <xsl:value-of select=\"@Width\" />;\r\n"
      "border-top-color: <xsl:value-of select=\"@Color\" />;\r\n"
      "</xsl:template>\r\n"
      "\r\n"
      "<xsl:template match=\"BORDER_RIGHT\">\r\n"
      "border-right-width: <xsl:value-of select=\"@Width\" />;\r\n"
      "border-right-color: <xsl:value-of select=\"@Color\" />;\r\n"
      "</xsl:template>\r\n"
      "\r\n"
      "<xsl:template match=\"BORDER_DOWN\">\r\n"
      "border-bottom-width: <xsl:value-of select=\"@Width\" />;\r\n"
      "border-bottom-color: <xsl:value-of select=\"@Color\" />;\r\n"
      "</xsl:template>\r\n"
      "\r\n"
      "<xsl:template match=\"LINES\">\r\n"
      "<table border=\"0\" cellspacing=\"0\">\r\n"
      "<xsl:apply-templates select=\"LINE\" />\r\n"
      "</table>\r\n"
      "</xsl:template>\r\n"
      "\r\n"
      "<xsl:template match=\"LINE\">\r\n"
      "<tr>\r\n"
      "<xsl:apply-templates select=\"CELL\" />\r\n"
      "</tr>\r\n"
      "</xsl:template>\r\n"
      "\r\n"
      "<xsl:template match=\"CELL\">\r\n"
      "<td>\r\n"
      "<xsl:attribute name=\"nowrap\"></xsl:attribute>\r\n"
      "<xsl:attribute name=\"width\"><xsl:value-of select=\"@Width\" /></xsl:attribute>\r\n"
      "<xsl:attribute name=\"height\"><xsl:value-of select=\"@Height\" /></xsl:attribute>\r\n"
      "<xsl:attribute name=\"align\"><xsl:value-of select=\"@Align\" /></xsl:attribute>\r\n"
      "<xsl:attribute name=\"colspan\"><xsl:value-of select=\"@ColSpan\" /></xsl:attribute>\r\n"
      "<xsl:attribute name=\"rowspan\"><xsl:value-of select=\"@RowSpan\" /></xsl:attribute>\r\n"
      "<xsl:attribute name=\"class\">Style<xsl:value-of select=\"@StyleClass\" /></xsl:attribute>\r\n"
      "<xsl:choose>\r\n"
      "<xsl:when test=\"LINES\">\r\n"
      "<xsl:apply-templates select=\"LINES\" />\r\n"
      "</xsl:when>\r\n"
      "<xsl:when test=\"IMAGE\">\r\n"
      "<xsl:apply-templates select=\"IMAGE\" />\r\n"
      "</xsl:when>\r\n"
      "<xsl:otherwise>\r\n"
      "<xsl:value-of select=\".\" />\r\n"
      "</xsl:otherwise>\r\n"
      "</xsl:choose>\r\n"
      "</td>\r\n"
      "</xsl:template>\r\n"
      "\r\n"
      "<xsl:template match=\"IMAGE\">\r\n"
      "<img>\r\n"
      "<xsl:attribute name=\"src\"><xsl:value-of select=\"@Src\" /></xsl:attribute>\r\n"
      "</img>\r\n"
      "</xsl:template>\r\n"
      "\r\n"
      "</xsl:stylesheet>\r\n";
  return kStyleSheet;
}

void TcxXMLExportProvider::Commit() {
  styleSheetFileName_ = ChangeFileExt(FileName(), ".xsl");
  TFileStreamEx packetFile(FileName(), fmCreate);
  TFileStreamEx styleSheetFile(styleSheetFileName_, fmCreate);
  TcxBufferedStream out(&packetFile);
  String head = "<?xml version=\"1.0\"?>\r\n<?xml-stylesheet type=\"text/xsl\" href=\"";
  AppendUriText(head, ExtractFileName(styleSheetFileName_));
  head += "\"?>\r\n<CACHE>\r\n<TITLE>";
  AppendXmlText(head, ChangeFileExt(ExtractFileName(FileName()), ""), true);
  head += "</TITLE>\r\n";
  out.Put(head);
  CommitCache(nullptr, 0);
  CommitStyle(&out);
  CommitCache(&out, 0);
  out.Put("</CACHE>");
  out.Flush();
  cxWriteText(&styleSheetFile, XmlExportStyleSheet());
}

void TcxXMLExportProvider::Prepare() {
  static thread_local std::vector<const void*> preparing;  // guards against a cache nested in itself
  if (!preparePending_ || std::find(preparing.begin(), preparing.end(), this) != preparing.end()) return;
  preparing.push_back(this);
  struct Pop {
    ~Pop() { preparing.pop_back(); }
  } pop;
  PrepareEmptyCellStyles();
  std::unordered_map<Integer, Integer> copies;  // style index -> its copy with the hidden text
  const Integer cols = GetColumnCount(), rows = GetRowCount();
  for (Integer r = 0; r < rows; ++r)
    for (Integer c = 0; c < cols; ++c) {
      TcxCacheItem& item = Item(c, r);
      if (IcxCellInternalCache* nested = CellCache(item)) {
        if (auto* xml = dynamic_cast<TcxXMLExportProvider*>(nested)) xml->Prepare();
        continue;
      }
      // A real "." text keeps its style: only the "." that stands for no text is hidden. Cells
      // inside a merged range are not written.
      if (item.Hidden || item.CacheIndex >= 0 || !IsDotCell(item)) continue;
      auto [it, added] = copies.try_emplace(item.StyleIndex, -1);
      if (added) {
        TcxCacheCellStyle style = CellStyle(item);
        style.FontColor = style.BrushBkColor;
        it->second = StyleManager()->RegisterStyle(style);
      }
      item.StyleIndex = it->second;
    }
  preparePending_ = false;
}

void TcxXMLExportProvider::CommitStyle(TStream* stream) {
  PrepareEmptyCellStyles();
  static const char* const borderNames[4] = {"<BORDER_LEFT", "<BORDER_UP", "<BORDER_RIGHT", "<BORDER_DOWN"};
  String out = "<STYLES>\r\n";
  TcxExportStyleManager* manager = StyleManager();
  for (Integer n = 0; n < manager->GetStyleCount(); ++n) {
    const TcxCacheCellStyle& s = *manager->GetStyle(n);
    AppendIntAttr(out, "<STYLE Id", n);
    out += " AlignText=\"";
    out += XmlAlignText(s.AlignText);
    out += s.FontSize == 1 ? "\" CellPadding=\"0px\"" : "\" CellPadding=\" 3\"";
    out += " FontName=\"";
    AppendXmlText(out, cxStyleFontName(s), false);
    out += '"';
    AppendIntAttr(out, " FontCharset", s.FontCharset);
    out += " Bold=\"";
    out += XmlBool(s.FontStyle & cfsBold);
    out += "\" Italic=\"";
    out += XmlBool(s.FontStyle & cfsItalic);
    out += "\" Underline=\"";
    out += XmlBool(s.FontStyle & cfsUnderline);
    out += "\" StrikeOut=\"";
    out += XmlBool(s.FontStyle & cfsStrikeOut);
    out += '"';
    AppendRGBAttr(out, " FontColor", s.FontColor);
    AppendIntAttr(out, " FontSize", s.FontSize);
    out += " BrushStyle=\"";
    out += s.BrushStyle == cbsClear ? "Clear" : s.BrushStyle == cbsSolid ? "Solid" : "";
    out += '"';
    AppendRGBAttr(out, " BrushBkColor", s.BrushBkColor);
    AppendRGBAttr(out, " BrushFgColor", s.BrushFgColor);
    out += ">\r\n";
    for (int b = 0; b < 4; ++b) {
      out += borderNames[b];
      out += " IsDefault=\"";
      out += XmlBool(s.Borders[b].IsDefault != 0);
      out += '"';
      AppendIntAttr(out, " Width", s.Borders[b].Width);
      AppendRGBAttr(out, " Color", s.Borders[b].Color);
      out += "/>\r\n";
    }
    out += "</STYLE>\r\n";
    if (out.size() >= 1 << 15) {
      cxWriteText(stream, out);
      out.clear();
    }
  }
  out += "</STYLES>\r\n";
  cxWriteText(stream, out);
}

void TcxXMLExportProvider::CommitCache(TStream* stream, Integer param) {
  if (!stream) {
    Prepare();
    return;
  }
  PrepareEmptyCellStyles();
  const Integer cols = GetColumnCount(), rows = GetRowCount();
  String out;
  AppendIntAttr(out, "<LINES ColCount", cols);
  AppendIntAttr(out, " RowCount", rows);
  out += ">\r\n<LINE>\r\n";
  for (Integer c = 0; c < cols; ++c) {
    AppendIntAttr(out, "<CELL Width", GetColumnWidth(c));
    out += " Height=\"0\">\r\n</CELL>\r\n";
  }
  out += "</LINE>\r\n";
  cxWriteText(stream, out);
  for (Integer r = 0; r < rows; ++r) {
    out = "<LINE>\r\n";
    for (Integer c = 0; c < cols; ++c) {
      const TcxCacheItem& item = Item(c, r);
      if (item.Hidden) continue;
      out += "<CELL";
      if (Integer width = GetCellWidth(c, r); width > 0) AppendIntAttr(out, " Width", width);
      out += " Align=\"";
      out += XmlCellAlign(CellStyle(item).AlignText);
      out += '"';
      if (item.IsUnion) {
        if (item.UnionColumnCount > 1) AppendIntAttr(out, " ColSpan", item.UnionColumnCount);
        if (item.UnionRowCount > 1) AppendIntAttr(out, " RowSpan", item.UnionRowCount);
      }
      AppendIntAttr(out, " StyleClass", item.StyleIndex);
      out += '>';
      if (IcxCellInternalCache* nested = CellCache(item)) {
        cxWriteText(stream, out);
        out.clear();
        nested->CommitCache(stream, param);
      } else if (item.DataType == cdtGraphic) {
        out += "<IMAGE Src=\"";
        AppendXmlText(out, WritePictureFile(item), false);
        out += "\"></IMAGE>.";
      } else if (IsDotCell(item)) {
        out += '.';
      } else {
        AppendXmlText(out, CacheItemText(item), false);
      }
      out += "</CELL>\r\n";
    }
    out += "</LINE>";
    cxWriteText(stream, out);
  }
  cxWriteText(stream, "</LINES>");
}

// ---------------------------------------------------------------------------------------------
// Text

void TcxTXTExportProvider::AddSeparator(const String& s) {
  switch (separatorCount_++) {
    case 0: separator_ = s; break;
    case 1: beginString_ = s; break;
    case 2: endString_ = s; break;
    default: break;
  }
}

String TcxTXTExportProvider::CellText(const TcxCacheItem& item) const {
  if (item.Hidden || item.CacheIndex >= 0) return {};
  return CacheItemText(item);
}

void TcxTXTExportProvider::Commit() {
  TFileStreamEx file(FileName(), fmCreate);
  TcxBufferedStream out(&file);
  CommitCache(&out, 0);
  out.Flush();
}

void TcxTXTExportProvider::CommitCache(TStream* stream, Integer param) {
  const Integer cols = GetColumnCount(), rows = GetRowCount();
  std::vector<Integer> widths(size_t(cols), 0);
  for (Integer r = 0; r < rows; ++r)
    for (Integer c = 0; c < cols; ++c) {
      const TcxCacheItem& item = Item(c, r);
      Integer w = TextDisplayWidth(CellText(item));
      if (!item.IsUnion) {
        widths[size_t(c)] = std::max(widths[size_t(c)], w);
        continue;
      }
      // A merged cell's text counts equally toward each of its columns.
      Integer share = w / item.UnionColumnCount;
      for (Integer k = c; k < c + item.UnionColumnCount && k < cols; ++k)
        widths[size_t(k)] = std::max(widths[size_t(k)], share);
    }
  String line;
  for (Integer r = 0; r < rows; ++r) {
    line.clear();
    for (Integer c = 0; c < cols; ++c) {
      String text = CellText(Item(c, r));
      line += beginString_;
      line += text;
      line += endString_;
      if (c < cols - 1) line += separator_;
      if (separator_.empty()) line.append(size_t(2 + std::max(0, widths[size_t(c)] - TextDisplayWidth(text))), ' ');
    }
    line += CRLF;
    cxWriteText(stream, line);
  }
}

// ---------------------------------------------------------------------------------------------

void InitializeCxHtmlXmlTxtExport() {
  InitUnit("cxHtmlXmlTxtExport", [] {
    InitializeCxExport();
    TcxExport::RegisterProviderClass(TcxHTMLExportProvider::Class());
    TcxExport::RegisterProviderClass(TcxXMLExportProvider::Class());
    TcxExport::RegisterProviderClass(TcxTXTExportProvider::Class());
  });
}
