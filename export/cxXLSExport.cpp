#include "export/cxXLSExport.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "vcl/Forms.h"
#include "vcl/Graphics.h"

namespace {

// Record ids.
constexpr Word kBOF = 0x0809, kEOF = 0x000A, kTABID = 0x013D, kWINDOW1 = 0x003D, kFONT = 0x0031, kXF = 0x00E0,
               kPALETTE = 0x0092, kSTYLE = 0x0293, kBOUNDSHEET = 0x0085, kSUPBOOK = 0x01AE, kEXTERNSHEET = 0x0017,
               kNAME = 0x0018, kDIMENSIONS = 0x0200, kWINDOW2 = 0x023E, kCOLINFO = 0x007D, kROW = 0x0208,
               kMERGEDCELLS = 0x00E5, kSST = 0x00FC, kCONTINUE = 0x003C, kEXTSST = 0x00FF;
constexpr Word kBLANK = 0x0201, kBOOLERR = 0x0205, kNUMBER = 0x0203, kLABEL = 0x0204, kLABELSST = 0x00FD;

constexpr Integer kMaxColumns = 256;
constexpr Integer kMaxRows = 65536;
constexpr size_t kSSTDataSize = 8192;
constexpr Integer kSSTMaxChars = 4096;
constexpr Integer kCOLINFOLength = 11;  // the last reserved byte is not written
constexpr Integer kROWLength = 16;
constexpr Integer kMergedPerRecord = 1024;
// The records of a workbook that do not depend on its content (globals and worksheet).
constexpr Int64 kFixedRecordsSize = 984;
constexpr Integer kFirstStyleXF = 16;
constexpr Word kDefaultCellXF = 15;
constexpr Integer kStyleFontBase = 6;
constexpr Integer kStyleXFBase = 17;

// Little-endian writers into a byte string.
inline void Put8(String& out, unsigned v) { out += char(v & 0xFF); }
inline void Put16(String& out, unsigned v) {
  char b[2] = {char(v & 0xFF), char((v >> 8) & 0xFF)};
  out.append(b, 2);
}
inline void Put32(String& out, uint32_t v) {
  char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char((v >> 24) & 0xFF)};
  out.append(b, 4);
}
inline void PutDouble(String& out, double v) {
  uint64_t u;
  std::memcpy(&u, &v, 8);
  Put32(out, uint32_t(u));
  Put32(out, uint32_t(u >> 32));
}
inline void PutWide(String& out, const WideString& w) {
  for (char16_t c : w) Put16(out, c);
}
inline void Set16(String& out, size_t at, unsigned v) {
  out[at] = char(v & 0xFF);
  out[at + 1] = char((v >> 8) & 0xFF);
}
inline void Set32(String& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

inline bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// At most `count` units of `text` from `from`, one less when that would split a surrogate pair.
size_t WholeUnits(const WideString& text, size_t from, size_t count) {
  size_t n = std::min(count, text.size() - from);
  if (n > 0 && n < text.size() - from && IsHighSurrogate(text[from + n - 1])) --n;
  return n;
}

void CutUnits(WideString& text, size_t count) {
  if (text.size() > count) text.resize(WholeUnits(text, 0, count));
}

// Buffers record bytes and passes them on to the stream in large blocks, counting what it
// passed and holds.
class TXLSOut {
 public:
  explicit TXLSOut(TStream* stream) : stream_(stream) { buffer_.reserve(kBlock + 512); }
  String& Buffer() { return buffer_; }
  void Record(Word id, size_t length) {
    Put16(buffer_, id);
    Put16(buffer_, unsigned(length));
  }
  void Check() {
    if (buffer_.size() >= kBlock) Flush();
  }
  void Flush() {
    if (buffer_.empty()) return;
    stream_->WriteBuffer(buffer_.data(), Int64(buffer_.size()));
    passed_ += Int64(buffer_.size());
    buffer_.clear();
  }
  // After someone else wrote `count` bytes straight to the stream (Flush first).
  void Passed(Int64 count) { passed_ += count; }
  Int64 Position() const { return passed_ + Int64(buffer_.size()); }
  TStream* Stream() const { return stream_; }

 private:
  static constexpr size_t kBlock = 1 << 16;
  TStream* stream_;
  String buffer_;
  Int64 passed_ = 0;
};

// The BIFF8 default palette (colour indexes 8 to 63) as red | green << 8 | blue << 16.
constexpr uint32_t kDefaultPalette[56] = {
    0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0x000080, 0x008000,
    0x800000, 0x008080, 0x800080, 0x808000, 0xC0C0C0, 0x808080, 0xFF9999, 0x663399, 0xCCFFFF, 0xFFFFCC,
    0x660066, 0x8080FF, 0xCC6600, 0xFFCCCC, 0x800000, 0xFF00FF, 0x00FFFF, 0xFFFF00, 0x800080, 0x000080,
    0x808000, 0xFF0000, 0xFFCC00, 0xFFFFCC, 0xCCFFCC, 0x99FFFF, 0xFFCC99, 0xCC99FF, 0xFF99CC, 0x99CCFF,
    0xFF6633, 0xCCCC33, 0x00CC99, 0x00CCFF, 0x0099FF, 0x0066FF, 0x996666, 0x969696, 0x663300, 0x669933,
    0x003300, 0x003333, 0x003399, 0x663399, 0x993333, 0x333333};

double PixelScale() {
  static const double scale = [] {
    Integer ppi = Screen ? Screen->PixelsPerInch() : 96;
    return std::max(1.0, double(ppi) / 96.0);
  }();
  return scale;
}

Word ClampWord(long long v) { return Word(std::clamp<long long>(v, 0, 0xFFFF)); }

String FileDir(const String& fileName) {
  String dir = ExtractFilePath(fileName);
  return dir.empty() ? String("./") : dir;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Records list

Integer TcxXLSRecordsList::Add(const String& data) {
  uint64_t hash = TcxContentIndex::Hash(data.data(), data.size());
  Integer found = index_.Find(hash, [&](Integer i) { return records_[size_t(i)] == data; });
  if (found >= 0) return found;
  auto index = Integer(records_.size());
  records_.push_back(data);
  index_.Add(hash, index);
  size_ += 4 + Int64(data.size());
  return index;
}

void TcxXLSRecordsList::Write(TStream* stream) const {
  String out;
  out.reserve(size_t(size_));
  for (const String& r : records_) {
    Put16(out, id_);
    Put16(out, unsigned(r.size()));
    out += r;
  }
  if (!out.empty()) stream->WriteBuffer(out.data(), Int64(out.size()));
}

// ---------------------------------------------------------------------------------------------
// Shared string table

TcxXLSSharedStringTable::TBuffer& TcxXLSSharedStringTable::NewBuffer(Word id) {
  buffers_.emplace_back();
  TBuffer& b = buffers_.back();
  b.id = id;
  b.data.reserve(kSSTDataSize);
  return b;
}

Integer TcxXLSSharedStringTable::Add(const WideString& text) {
  WideString w = text;
  CutUnits(w, size_t(kSSTMaxChars));
  auto index = Integer(strings_.size());
  if (buffers_.empty()) NewBuffer(kSST).data.assign(8, '\0');
  if (buffers_.back().data.size() > kSSTDataSize - 4) NewBuffer(kCONTINUE);
  TBuffer* b = &buffers_.back();
  TStringInfo info{};
  info.hash = Word(cxHashBytes(w.data(), w.size() * 2));
  info.byteLength = Integer(w.size() * 2);
  info.buffer = Integer(buffers_.size()) - 1;
  info.offset = Integer(b->data.size());
  if (b->startCount++ == 0) b->firstOffset = Word(info.offset);
  strings_.push_back(info);
  Put16(b->data, unsigned(w.size()) & 0x7FFF);
  Put8(b->data, 1);
  size_t done = 0;
  for (;;) {
    size_t n = WholeUnits(w, done, (kSSTDataSize - b->data.size()) / 2);
    for (size_t i = done; i < done + n; ++i) Put16(b->data, w[i]);
    done += n;
    if (done >= w.size()) break;
    b = &NewBuffer(kCONTINUE);
    Put8(b->data, 1);
  }
  auto count = uint32_t(strings_.size());
  Set32(buffers_.front().data, 0, count);
  Set32(buffers_.front().data, 4, count);
  return index;
}

void TcxXLSSharedStringTable::Buckets(Integer& perBucket, Integer& entries) const {
  auto count = Integer(strings_.size());
  Integer n = 1, size = 8;
  while (n * size < count) {
    size += 8;
    if (n < 127 && n * size < count) ++n;
  }
  --n;
  while (n > 0 && n * size > count) --n;
  perBucket = size;
  entries = 0;
  for (Integer j = 0; j <= n; ++j)
    if (j * size < count) ++entries;
}

Int64 TcxXLSSharedStringTable::GetSize() const {
  if (strings_.empty()) return 0;
  Int64 size = 0;
  for (const TBuffer& b : buffers_) size += 4 + Int64(b.data.size());
  Integer perBucket, entries;
  Buckets(perBucket, entries);
  return size + 4 + 2 + 8 * Int64(entries);
}

void TcxXLSSharedStringTable::Write(TStream* stream, Int64 position) const {
  if (strings_.empty()) return;
  if (position < 0) position = stream->Position();
  std::vector<Int64> starts;  // stream offset of each record
  starts.reserve(buffers_.size());
  String out;
  Int64 at = position;
  for (const TBuffer& b : buffers_) {
    starts.push_back(at);
    Put16(out, b.id);
    Put16(out, unsigned(b.data.size()));
    out += b.data;
    at += 4 + Int64(b.data.size());
    if (out.size() >= (1 << 16)) {
      stream->WriteBuffer(out.data(), Int64(out.size()));
      out.clear();
    }
  }
  Integer perBucket, entries;
  Buckets(perBucket, entries);
  Put16(out, kEXTSST);
  Put16(out, unsigned(2 + 8 * entries));
  Put16(out, unsigned(perBucket));
  for (Integer j = 0; j < entries; ++j) {
    const TStringInfo& s = strings_[size_t(j * perBucket)];
    Put32(out, uint32_t(starts[size_t(s.buffer)] + 4 + s.offset));
    Put16(out, unsigned(4 + s.offset));
    Put16(out, 0);
  }
  stream->WriteBuffer(out.data(), Int64(out.size()));
}

// ---------------------------------------------------------------------------------------------
// Compound document

namespace {

constexpr Integer kSectorSize = 512;
constexpr Int64 kMiniStreamCutoff = 4096;
constexpr int32_t kFreeSector = -1, kEndOfChain = -2, kFatSector = -3, kDifatSector = -4;
constexpr Integer kHeaderDifatCount = 109;
constexpr Integer kFirstDifatSector = 111;

// A head buffer addressed by sector: sector n starts at byte (n + 1) x 512.
struct THead {
  String bytes;
  explicit THead(Integer sectors) : bytes(size_t(sectors + 1) * kSectorSize, '\0') {}
  void SetEntry(Integer sector, Integer entry, int32_t value) {
    Set32(bytes, size_t(sector + 1) * kSectorSize + size_t(entry) * 4, uint32_t(value));
  }
  void FillFree(Integer sector) { std::memset(&bytes[size_t(sector + 1) * kSectorSize], 0xFF, kSectorSize); }
  void DirEntry(Integer index, const char16_t* name, Byte type, Byte colour, int32_t child, int32_t start,
                uint32_t size) {
    size_t at = size_t(2) * kSectorSize + size_t(index) * 128;  // the directory is sector 1
    size_t len = 0;
    for (; name[len]; ++len) Set16(bytes, at + len * 2, name[len]);
    Set16(bytes, at + 64, unsigned((len + 1) * 2));
    bytes[at + 66] = char(type);
    bytes[at + 67] = char(colour);
    Set32(bytes, at + 68, uint32_t(kFreeSector));
    Set32(bytes, at + 72, uint32_t(kFreeSector));
    Set32(bytes, at + 76, uint32_t(child));
    Set32(bytes, at + 116, uint32_t(start));
    Set32(bytes, at + 120, size);
  }
};

}  // namespace

void TcxXLSWorkBookWriter::FatSectorCounts(Int64 sectors, Integer& fatCount, Integer& difatCount) {
  fatCount = Integer((sectors + 3 + 126) / 127);
  for (;;) {
    difatCount = fatCount >= kHeaderDifatCount + 1 ? (fatCount - kHeaderDifatCount + 126) / 127 : 0;
    // Every sector of the file needs its FAT entry: FAT, directory, DIFAT and stream sectors.
    if (Int64(fatCount) * 128 >= sectors + 1 + fatCount + difatCount) return;
    ++fatCount;
  }
}

String TcxXLSWorkBookWriter::BuildHead(Int64 size) {
  if (size <= 0 || size > 0x7FFFFFFF) cxExportError(scxWorkbookWrite);
  const auto k = Integer((size + kSectorSize - 1) / kSectorSize);
  const bool small = size < kMiniStreamCutoff;
  Integer fatCount = 1, difatCount = 0;
  if (!small) FatSectorCounts(k, fatCount, difatCount);
  THead head(small ? 3 : fatCount + difatCount + 1);
  String& h = head.bytes;

  // Header.
  static const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::memcpy(h.data(), signature, 8);
  Set16(h, 24, 0x003E);
  Set16(h, 26, 3);
  Set16(h, 28, 0xFFFE);
  Set16(h, 30, 9);
  Set16(h, 32, 6);
  Set32(h, 44, uint32_t(fatCount));
  Set32(h, 48, 1);
  Set32(h, 56, uint32_t(kMiniStreamCutoff));
  Set32(h, 60, uint32_t(small ? 2 : kEndOfChain));
  Set32(h, 64, small ? 1 : 0);
  Set32(h, 68, uint32_t(difatCount > 0 ? kFirstDifatSector : kEndOfChain));
  Set32(h, 72, uint32_t(difatCount));
  std::memset(&h[76], 0xFF, 436);

  // Directory.
  head.DirEntry(0, u"Root Entry", 5, 0, 1, small ? 3 : kEndOfChain, small ? uint32_t(k) * kSectorSize : 0);
  const Integer streamStart = small ? 0 : fatCount + difatCount + 1;
  head.DirEntry(1, u"Workbook", 2, 1, kFreeSector, streamStart, uint32_t(size));

  if (small) {
    Set32(h, 76, 0);
    head.FillFree(0);
    head.SetEntry(0, 0, kFatSector);
    head.SetEntry(0, 1, kEndOfChain);
    head.SetEntry(0, 2, kEndOfChain);
    for (Integer i = 0; i < k; ++i) head.SetEntry(0, 3 + i, i + 1 < k ? 3 + i + 1 : kEndOfChain);
    const auto m = Integer((size + 63) / 64);
    head.FillFree(2);
    for (Integer i = 0; i < m; ++i) head.SetEntry(2, i, i + 1 < m ? i + 1 : kEndOfChain);
    return h;
  }

  // The FAT sectors in order (sector 0, then the head sectors from 2 that hold no DIFAT).
  std::vector<Integer> fatSectors{0};
  std::vector<Integer> difatSectors;
  for (Integer s = 2; s <= fatCount + difatCount; ++s) {
    if (s >= kFirstDifatSector && (s - kFirstDifatSector) % 128 == 0)
      difatSectors.push_back(s);
    else
      fatSectors.push_back(s);
  }
  for (Integer j = 0; j < std::min(fatCount, kHeaderDifatCount); ++j)
    Set32(h, 76 + size_t(j) * 4, uint32_t(fatSectors[size_t(j)]));
  for (size_t d = 0; d < difatSectors.size(); ++d) {
    Integer sector = difatSectors[d];
    head.FillFree(sector);
    for (Integer e = 0; e < 127; ++e) {
      size_t j = size_t(kHeaderDifatCount) + d * 127 + size_t(e);
      if (j < fatSectors.size()) head.SetEntry(sector, e, fatSectors[j]);
    }
    head.SetEntry(sector, 127, d + 1 < difatSectors.size() ? difatSectors[d + 1] : kEndOfChain);
  }
  // The FAT: one entry for every sector of the file, 128 to a FAT sector.
  auto setFat = [&](Integer entry, int32_t value) {
    head.SetEntry(fatSectors[size_t(entry / 128)], entry % 128, value);
  };
  for (Integer f : fatSectors) head.FillFree(f);
  setFat(0, kFatSector);
  setFat(1, kEndOfChain);
  for (Integer s = 2; s <= fatCount + difatCount; ++s)
    setFat(s, std::binary_search(difatSectors.begin(), difatSectors.end(), s) ? kDifatSector : kFatSector);
  for (Integer i = 0; i < k; ++i) setFat(streamStart + i, i + 1 < k ? streamStart + i + 1 : kEndOfChain);
  return h;
}

void TcxXLSWorkBookWriter::WriteHead(Int64 size, TStream* stream) {
  if (stream == nullptr) cxExportError(scxWorkbookWrite);
  String head = BuildHead(size);
  stream->WriteBuffer(head.data(), Int64(head.size()));
}

// ---------------------------------------------------------------------------------------------
// Workbook writer

namespace {

std::atomic<unsigned> tempCounter{0};

// "dir/name.xls" -> "dir/.name.xls.<process>.<n>.tmp"
String TempNameFor(const String& fileName) {
  return FileDir(fileName) + "." + ExtractFileName(fileName) + "." + std::to_string(getpid()) + "." +
         std::to_string(tempCounter++) + ".tmp";
}

// Without CR characters; characters a sheet name may not hold become "_"; at most 31 units;
// "Sheet1" when nothing is left.
WideString CleanSheetName(WideString w) {
  std::erase(w, u'\r');
  for (char16_t& c : w)
    if (c == u'[' || c == u']' || c == u':' || c == u'*' || c == u'?' || c == u'/' || c == u'\\') c = u'_';
  CutUnits(w, 31);
  return w.empty() ? WideString(u"Sheet1") : w;
}

}  // namespace

TcxXLSExportProvider::TcxXLSExportProvider(const String& fileName) : TcxCustomExportProvider(fileName) {
  std::copy(std::begin(kDefaultPalette), std::end(kDefaultPalette), palette_);
  sheetName_ = CleanSheetName(UTF8Decode(ChangeFileExt(ExtractFileName(fileName), "")));
  tempFileName_ = TempNameFor(fileName);
  stream_ = std::make_unique<TFileStreamEx>(tempFileName_, fmCreate);
  styleManager_ = TcxExportStyleManager::GetInstance(fileName);
}

TcxXLSExportProvider::~TcxXLSExportProvider() {
  CloseAndRemoveTemp();
  styleManager_->Release();
}

void TcxXLSExportProvider::CloseAndRemoveTemp() {
  stream_.reset();
  if (!tempFileName_.empty()) std::remove(tempFileName_.c_str());
  tempFileName_.clear();
}

TcxXLSExportProvider::TCell* TcxXLSExportProvider::Cell(Integer col, Integer row) {
  if (colCount_ < 0 || rowCount_ < 0) cxExportError(scxInvalidCellDimension);
  if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return nullptr;
  return &cells_[size_t(col) * size_t(rowCount_) + size_t(row)];
}

void TcxXLSExportProvider::SetRange(Integer colCount, Integer rowCount, bool visibleGrid) {
  colCount_ = std::clamp(colCount, 0, kMaxColumns);
  rowCount_ = std::clamp(rowCount, 0, kMaxRows);
  visibleGrid_ = visibleGrid;
  TCell blank{};
  blank.id = kBLANK;
  blank.xf = Word(kFirstStyleXF);
  blank.style = 0;
  blank.dataLength = 6;
  blank.kind = xnkNone;
  blank.merged = false;
  cells_.assign(size_t(colCount_) * size_t(rowCount_), blank);
  labels_.clear();
}

void TcxXLSExportProvider::SetColumnWidth(Integer col, Integer width) {
  if (col < 0 || col >= kMaxColumns) return;
  columnWidths_[col] = ClampWord(std::llround(double(width) * 36.6 / PixelScale()));
}

void TcxXLSExportProvider::SetRowHeight(Integer row, Integer height) {
  if (row < 0 || row > kMaxRows - 2) return;
  rowHeights_[row] = Word(std::clamp<long long>(std::llround(double(height) * 20 / (1.325 * PixelScale())), 0, 0x7FFF));
}

Integer TcxXLSExportProvider::RegisterStyle(const TcxCacheCellStyle& style) {
  TcxCacheCellStyle copy = style;
  return styleManager_->RegisterStyle(copy);
}

const TcxCacheCellStyle* TcxXLSExportProvider::GetStyle(Integer styleIndex) {
  return styleManager_->GetStyle(styleIndex);
}

void TcxXLSExportProvider::SetDefaultStyle(const TcxCacheCellStyle& style) { RegisterStyle(style); }

const TcxCacheCellStyle* TcxXLSExportProvider::GetCellStyle(Integer col, Integer row) {
  TCell* cell = Cell(col, row);
  if (cell == nullptr) return nullptr;
  Integer style = std::max(cell->style, 0);
  return style < styleManager_->GetStyleCount() ? styleManager_->GetStyle(style) : nullptr;
}

void TcxXLSExportProvider::SetCellStyle(Integer col, Integer row, Integer styleIndex) {
  TCell* cell = Cell(col, row);
  if (cell == nullptr || cell->merged) return;
  if (styleIndex >= 0) styleManager_->GetStyle(styleIndex);  // raises for an unknown style
  cell->style = std::max(styleIndex, -1);
  cell->xf = Word(cell->style + kFirstStyleXF);
}

void TcxXLSExportProvider::SetCellStyle(Integer col, Integer row, Integer exampleCol, Integer exampleRow) {
  if (Cell(col, row) == nullptr) return;
  const TcxCacheCellStyle* example = GetCellStyle(exampleCol, exampleRow);
  if (example == nullptr) return;
  TcxCacheCellStyle copy = *example;
  SetCellStyle(col, row, RegisterStyle(copy));
}

void TcxXLSExportProvider::SetCellStyle(Integer col, Integer row, const TcxCacheCellStyle& style) {
  if (Cell(col, row) == nullptr) return;
  SetCellStyle(col, row, RegisterStyle(style));
}

void TcxXLSExportProvider::SetCellUnion(Integer col, Integer row, Integer height, Integer width) {
  if (Cell(col, row) == nullptr || height < 1 || width < 1) return;
  Integer lastRow = row + std::min(height, kMaxRows - row) - 1;
  Integer lastCol = col + std::min(width, kMaxColumns - col) - 1;
  mergedRanges_.push_back({Word(row), Word(lastRow), Word(col), Word(lastCol)});
}

void TcxXLSExportProvider::SetCellStyleEx(Integer col, Integer row, Integer height, Integer width, Integer styleIndex) {
  TCell* origin = Cell(col, row);
  if (origin == nullptr || col > kMaxColumns - 2 || row > kMaxRows - 2) return;
  if (height == 1 && width == 1) {
    SetCellStyle(col, row, styleIndex);
    return;
  }
  if (height < 1 || width < 1) return;
  SetCellUnion(col, row, height, width);
  Integer style = std::max(styleIndex, -1);
  Word xf = BuildXF(style, origin->kind, true);
  Integer lastRow = std::min({row + height, kMaxRows, rowCount_});
  Integer lastCol = std::min({col + width, kMaxColumns, colCount_});
  for (Integer c = col; c < lastCol; ++c)
    for (Integer r = row; r < lastRow; ++r) {
      TCell& cell = cells_[size_t(c) * size_t(rowCount_) + size_t(r)];
      cell.merged = true;
      cell.style = style;
      cell.xf = xf;
    }
}

// ---------------------------------------------------------------------------------------------
// Cell values

void TcxXLSExportProvider::SetNumber(Integer col, Integer row, double value, TcxXLSNumberKind kind) {
  TCell* cell = Cell(col, row);
  if (cell == nullptr) return;
  cell->id = kNUMBER;
  cell->dataLength = 14;
  cell->number = value;
  cell->kind = kind;
  // A merged cell keeps its XF; one that gets a date or currency value now gets the format too.
  if (cell->merged && kind != xnkNone) cell->xf = BuildXF(cell->style, kind, true);
}

void TcxXLSExportProvider::SetCellDataDouble(Integer col, Integer row, double value) {
  SetNumber(col, row, value, xnkNone);
}

void TcxXLSExportProvider::SetCellDataInteger(Integer col, Integer row, Integer value) {
  SetNumber(col, row, double(value), xnkNone);
}

void TcxXLSExportProvider::SetCellDataCurrency(Integer col, Integer row, Currency value) {
  SetNumber(col, row, double((long double)value.Raw() / 10000.0L), xnkCurrency);
}

void TcxXLSExportProvider::SetCellDataDateTime(Integer col, Integer row, TDateTime value) {
  // The sheet's serial numbers count a 29 February 1900 that the platform's calendar does not.
  double whole = std::trunc(value);
  if (whole != 0 && whole <= 60) value -= 1;
  whole = std::trunc(value);
  double fraction = value - whole;
  TcxXLSNumberKind kind = whole == 0 ? xnkTime : fraction == 0 ? xnkDate : xnkDateTime;
  SetNumber(col, row, value, kind);
}

void TcxXLSExportProvider::SetCellDataBoolean(Integer col, Integer row, bool value) {
  TCell* cell = Cell(col, row);
  if (cell == nullptr) return;
  cell->id = kBOOLERR;
  cell->dataLength = 8;
  cell->boolean = value ? 1 : 0;
  cell->kind = xnkNone;
}

void TcxXLSExportProvider::SetLabel(TCell& cell, const WideString& text) {
  cell.id = kLABEL;
  cell.kind = xnkNone;
  cell.labelOffset = labels_.size();
  cell.dataLength = Word(9 + text.size() * 2);
  Put16(labels_, unsigned(text.size()));
  Put8(labels_, 1);
  PutWide(labels_, text);
}

void TcxXLSExportProvider::SetLabel8(TCell& cell, const String& text) {
  cell.id = kLABEL;
  cell.kind = xnkNone;
  cell.labelOffset = labels_.size();
  cell.dataLength = Word(9 + text.size());
  Put16(labels_, unsigned(text.size()));
  Put8(labels_, 0);
  labels_ += text;
}

void TcxXLSExportProvider::SetCellDataString(Integer col, Integer row, const String& value) {
  TCell* cell = Cell(col, row);
  if (cell == nullptr || value.empty()) return;
  bool wide = std::any_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) > 127; });
  if (wide) {
    WideString w = UTF8Decode(value);
    size_t count = w.size();
    std::erase(w, u'\r');
    if (count < 128) {
      SetLabel(*cell, w);
    } else {
      cell->sstIndex = uint32_t(sst_.Add(w));
      cell->id = kLABELSST;
      cell->dataLength = 10;
      cell->kind = xnkNone;
    }
    return;
  }
  String text = value;
  std::erase(text, '\r');
  if (text.size() < 256) {
    SetLabel8(*cell, text);
    return;
  }
  cell->sstIndex = uint32_t(sst_.Add(WideString(text.begin(), text.end())));
  cell->id = kLABELSST;
  cell->dataLength = 10;
  cell->kind = xnkNone;
}

void TcxXLSExportProvider::SetCellDataWideString(Integer col, Integer row, const WideString& value) {
  TCell* cell = Cell(col, row);
  if (cell == nullptr) return;
  WideString w = value;
  std::erase(w, u'\r');
  if (w.size() < 128) {
    SetLabel(*cell, w);
    return;
  }
  cell->sstIndex = uint32_t(sst_.Add(w));
  cell->id = kLABELSST;
  cell->dataLength = 10;
  cell->kind = xnkNone;
}

void TcxXLSExportProvider::SetCellValue(Integer col, Integer row, const Variant& value) {
  if (Cell(col, row) == nullptr) return;
  switch (value.VarType()) {
    case varOleStr:
      SetCellDataWideString(col, row, UTF8Decode(value.StrRef()));
      break;
    case varString:
      SetCellDataString(col, row, value.StrRef());
      break;
    case varShortInt:
    case varByte:
    case varSmallint:
    case varWord:
    case varInteger:
      SetCellDataInteger(col, row, value.AsInteger());
      break;
    case varLongWord:  // may not fit a signed 32-bit integer
    case varSingle:
    case varDouble:
    case varInt64:
      SetCellDataDouble(col, row, value.AsDouble());
      break;
    case varCurrency:
      SetCellDataCurrency(col, row, value.AsCurrency());
      break;
    case varDate:
      SetCellDataDateTime(col, row, value.AsDateTime());
      break;
    case varBoolean:
      SetCellDataBoolean(col, row, value.AsBoolean());
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// Sheet and range names

void TcxXLSExportProvider::SetSheetName(const String& name) { sheetName_ = CleanSheetName(UTF8Decode(name)); }

void TcxXLSExportProvider::SetRangeName(const String& name, const TRect& range) {
  nameRecord_.clear();
  if (name.empty()) return;
  WideString w = UTF8Decode(name);
  CutUnits(w, 255);
  bool wide = std::any_of(w.begin(), w.end(), [](char16_t c) { return c > 127; });
  size_t nameBytes = w.size() * (wide ? 2 : 1);
  String& r = nameRecord_;
  Put16(r, kNAME);
  Put16(r, unsigned(nameBytes + 26));
  Put16(r, 0);  // options
  Put8(r, 0);   // keyboard shortcut
  Put8(r, unsigned(w.size()));
  Put16(r, 11);  // formula length
  Put16(r, 0);
  Put16(r, 0);  // sheet index: a workbook-global name
  Put32(r, 0);  // menu, description, help and status text lengths
  Put8(r, wide ? 1 : 0);
  for (char16_t c : w) wide ? Put16(r, c) : Put8(r, c);
  Put8(r, 0x3B);  // area with a sheet reference
  Put16(r, 0);    // EXTERNSHEET index
  Put16(r, unsigned(range.Top));
  Put16(r, unsigned(range.Bottom));
  Put16(r, unsigned(range.Left) & 0xFF);
  Put16(r, unsigned(range.Right) & 0xFF);
}

// ---------------------------------------------------------------------------------------------
// Palette, fonts and XF records

Word TcxXLSExportProvider::ColorIndex(Integer color, int kind) {
  enum { kFont, kFill, kBorder };
  const Word fallback = kind == kFont ? 0x7FFF : 64;
  if (kind == kFont && color == 0) return 0x7FFF;
  if (kind == kFill && color == ExportColor(clWindow)) return 64;
  if (kind == kBorder && color == 0) return 64;
  auto rgb = uint32_t(color) & 0xFFFFFF;
  for (Integer e = 55; e >= 0; --e) {
    if (palette_[e] != rgb) continue;
    if (e > lastUnclaimed_) return Word(e + 8);
    std::swap(palette_[e], palette_[lastUnclaimed_]);
    return Word(lastUnclaimed_-- + 8);
  }
  if (lastUnclaimed_ < 0) return fallback;
  palette_[lastUnclaimed_] = rgb;
  return Word(lastUnclaimed_-- + 8);
}

Word TcxXLSExportProvider::FontIndex(const TcxCacheCellStyle& style) {
  WideString name = UTF8Decode(cxStyleFontName(style));
  String r;
  r.reserve(16 + name.size() * 2);
  Put16(r, ClampWord((long long)style.FontSize * 20));
  Put16(r, ((style.FontStyle & cfsItalic) ? 2 : 0) | ((style.FontStyle & cfsStrikeOut) ? 8 : 0));
  Put16(r, ColorIndex(style.FontColor, 0));
  Put16(r, (style.FontStyle & cfsBold) ? 700 : 400);
  Put16(r, 0);  // escapement
  Put8(r, (style.FontStyle & cfsUnderline) ? 1 : 0);
  Put8(r, 0);  // family
  Put8(r, unsigned(style.FontCharset));
  Put8(r, 0);
  Put8(r, unsigned(name.size()));
  Put8(r, 1);
  PutWide(r, name);
  return Word(fonts_.Add(r) + kStyleFontBase);
}

// Memoised per style, kind and merge flag: the records are equal each time.
Word TcxXLSExportProvider::BuildXF(Integer styleIndex, TcxXLSNumberKind kind, bool merge) {
  static constexpr Word kFormats[] = {0, 22, 14, 21, 7};
  const bool known = styleIndex >= 0 && styleIndex < styleManager_->GetStyleCount();
  if (!known && kind == xnkNone) return kDefaultCellXF;
  size_t slot = size_t(kind) * 2 + (merge ? 1 : 0);
  if (known) {
    if (size_t(styleIndex) >= xfMemo_.size()) xfMemo_.resize(size_t(styleManager_->GetStyleCount()));
    if (xfMemo_[size_t(styleIndex)][slot] != 0) return xfMemo_[size_t(styleIndex)][slot];
  }
  String r(20, '\0');
  Set16(r, 2, kFormats[kind]);
  Set16(r, 4, 0x0001);  // a locked cell XF
  r[6] = char(0x20);
  Set16(r, 18, 0x20C0);
  if (!known) {
    // The format's default cell look with the number format only.
    r[9] = char(0x04);
    return Word(xfs_.Add(r) + kStyleXFBase);
  }
  const TcxCacheCellStyle& s = *styleManager_->GetStyle(styleIndex);
  Set16(r, 0, FontIndex(s));
  r[6] = char(0x08 | ((s.AlignText + 1) & 0x07));
  r[8] = char(merge ? 0x20 : 0);
  r[9] = char(0xFC);
  uint32_t lines = 0;
  static constexpr int kStyleBorder[4] = {0, 2, 1, 3};  // left, right, top, bottom
  static constexpr int kColourBit[4] = {16, 23, 32, 39};
  uint64_t packed = 0;
  for (int i = 0; i < 4; ++i) {
    const TcxCellBorders& b = s.Borders[kStyleBorder[i]];
    if (b.IsDefault || b.Width <= 0) continue;
    uint32_t line = b.Width == 1 ? 1 : b.Width == 2 ? 2 : 5;
    lines |= line << (4 * i);
    packed |= uint64_t(ColorIndex(b.Color, 2) & 0x7F) << kColourBit[i];
  }
  packed |= lines;
  Word patternColours = 0x20C0;
  if (s.BrushStyle != 0) {
    Word index = ColorIndex(s.BrushBkColor, 1);
    uint64_t pattern = index == 64 ? 0 : s.BrushStyle;
    packed |= (pattern & 0x3F) << 58;
    patternColours = Word((index & 0x7F) | (65 << 7));
  }
  Set32(r, 10, uint32_t(packed));
  Set32(r, 14, uint32_t(packed >> 32));
  Set16(r, 18, patternColours);
  Word xf = Word(xfs_.Add(r) + kStyleXFBase);
  xfMemo_[size_t(styleIndex)][slot] = xf;
  return xf;
}

// ---------------------------------------------------------------------------------------------
// Commit

Int64 TcxXLSExportProvider::GetStreamSize() const {
  Int64 size = xfs_.GetSize() + fonts_.GetSize() + Int64(nameRecord_.size()) + 2 * Int64(sheetName_.size()) +
               sst_.GetSize() + Int64(columnWidths_.size()) * (4 + kCOLINFOLength) +
               Int64(rowHeights_.size()) * (4 + kROWLength) + kFixedRecordsSize;
  for (const TCell& c : cells_) size += 4 + c.dataLength;
  auto merged = Int64(mergedRanges_.size());
  size += 8 * merged + 6 * ((merged + kMergedPerRecord - 1) / kMergedPerRecord);
  return size;
}

void TcxXLSExportProvider::Commit() {
  if (!stream_) cxExportError(scxWorkbookWrite);
  for (TCell& cell : cells_)
    if (!cell.merged && (cell.style >= 0 || cell.kind != xnkNone)) cell.xf = BuildXF(cell.style, cell.kind, false);
  Int64 size = GetStreamSize();
  TcxXLSWorkBookWriter::WriteHead(size, stream_.get());
  WriteRecords(stream_.get(), size);
  stream_.reset();
  if (std::rename(tempFileName_.c_str(), FileName().c_str()) != 0) cxExportError(scxWorkbookWrite);
  tempFileName_.clear();
}

void TcxXLSExportProvider::WriteRecords(TStream* stream, Int64 streamSize) {
  TXLSOut out(stream);
  String& b = out.Buffer();
  auto bof = [&](unsigned type) {
    out.Record(kBOF, 16);
    Put16(b, 0x0600);
    Put16(b, type);
    Put16(b, 0x0DBB);
    Put16(b, 0x07CC);
    Put32(b, 0);
    Put32(b, 6);
  };
  // Workbook globals.
  bof(0x0005);
  out.Record(kTABID, 2);
  Put16(b, 0);
  out.Record(kWINDOW1, 18);
  for (unsigned v : {480u, 105u, 17100u, 9855u, 0x0038u, 0u, 0u, 1u, 600u}) Put16(b, v);
  for (int i = 0; i < 5; ++i) {
    out.Record(kFONT, 26);
    for (unsigned v : {200u, 0u, 0x7FFFu, 400u, 0u}) Put16(b, v);
    for (unsigned v : {0u, 0u, 0u, 0u, 5u, 1u}) Put8(b, v);
    PutWide(b, u"Arial");
  }
  out.Flush();
  fonts_.Write(stream);
  out.Passed(fonts_.GetSize());
  for (int i = 0; i < 17; ++i) {
    unsigned font = i == 1 || i == 2 || i == 16 ? 1 : i == 3 || i == 4 ? 2 : 0;
    unsigned type = i == 15 ? 0x0001 : 0xFFF5;
    unsigned used = i == 0 || i == 15 ? 0 : i == 16 ? 0xF8 : 0xF4;
    out.Record(kXF, 20);
    Put16(b, font);
    Put16(b, i == 16 ? 43 : 0);
    Put16(b, type);
    Put8(b, 0x20);
    Put8(b, 0);
    Put8(b, 0);
    Put8(b, used);
    Put32(b, 0);
    Put32(b, 0);
    Put16(b, 0x20C0);
  }
  out.Flush();
  xfs_.Write(stream);
  out.Passed(xfs_.GetSize());
  out.Record(kPALETTE, 226);
  Put16(b, 56);
  for (uint32_t c : palette_) Put32(b, c);
  // The built-in styles all refer to style XF 16 (XF 17 is a cell XF or does not exist).
  for (unsigned id : {3u, 6u, 4u, 7u, 0u, 5u}) {
    out.Record(kSTYLE, 4);
    Put16(b, id == 0 ? 0x8000 : 0x8010);
    Put8(b, id);
    Put8(b, 0xFF);
  }
  // The sheet's BOF follows the rest of the globals, whose sizes are known.
  Int64 sstSize = sst_.GetSize();
  Int64 sheetOffset =
      out.Position() + 4 + 8 + 2 * Int64(sheetName_.size()) + sstSize + 8 + 12 + Int64(nameRecord_.size()) + 4;
  out.Record(kBOUNDSHEET, 8 + 2 * sheetName_.size());
  Put32(b, uint32_t(sheetOffset));
  Put16(b, 0);
  Put8(b, unsigned(sheetName_.size()));
  Put8(b, 1);
  PutWide(b, sheetName_);
  out.Flush();
  sst_.Write(stream, out.Position());
  out.Passed(sstSize);
  out.Record(kSUPBOOK, 4);
  Put16(b, 1);
  Put16(b, 0x0401);
  out.Record(kEXTERNSHEET, 8);
  for (unsigned v : {1u, 0u, 0u, 0u}) Put16(b, v);
  b += nameRecord_;
  out.Record(kEOF, 0);

  // The worksheet.
  bof(0x0010);
  out.Record(kDIMENSIONS, 14);
  Put32(b, 0);
  Put32(b, uint32_t(std::max(rowCount_, 0)));
  Put16(b, 0);
  Put16(b, unsigned(std::max(colCount_, 0)));
  Put16(b, 0);
  out.Record(kWINDOW2, 18);
  Put16(b, visibleGrid_ ? 0x06B6 : 0x06B4);
  for (unsigned v : {0u, 0u}) Put16(b, v);
  Put32(b, 64);
  Put16(b, 0);
  Put16(b, 0);
  Put32(b, 0);
  for (auto [col, width] : columnWidths_) {
    out.Record(kCOLINFO, kCOLINFOLength);
    for (unsigned v : {unsigned(col), unsigned(col), unsigned(width), unsigned(kDefaultCellXF), 0u}) Put16(b, v);
    Put8(b, 0);
    out.Check();
  }
  for (auto [row, height] : rowHeights_) {
    out.Record(kROW, kROWLength);
    for (unsigned v : {unsigned(row), 0u, 256u, unsigned(height), 0u, 0u}) Put16(b, v);
    Put32(b, 0x01C0 | (uint32_t(kDefaultCellXF) << 16));
    out.Check();
  }
  size_t i = 0;
  for (Integer col = 0; col < colCount_; ++col)
    for (Integer row = 0; row < rowCount_; ++row, ++i) {
      const TCell& c = cells_[i];
      out.Record(c.id, c.dataLength);
      Put16(b, unsigned(row));
      Put16(b, unsigned(col));
      Put16(b, c.xf);
      switch (c.id) {
        case kNUMBER:
          PutDouble(b, c.number);
          break;
        case kLABELSST:
          Put32(b, c.sstIndex);
          break;
        case kBOOLERR:
          Put8(b, c.boolean);
          Put8(b, 0);
          break;
        case kLABEL:
          b.append(labels_, size_t(c.labelOffset), size_t(c.dataLength) - 6);
          break;
        default:
          break;
      }
      out.Check();
    }
  for (size_t first = 0; first < mergedRanges_.size(); first += kMergedPerRecord) {
    size_t count = std::min(mergedRanges_.size() - first, size_t(kMergedPerRecord));
    out.Record(kMERGEDCELLS, 2 + 8 * count);
    Put16(b, unsigned(count));
    for (size_t r = first; r < first + count; ++r)
      for (Word v : mergedRanges_[r]) Put16(b, v);
    out.Check();
  }
  out.Record(kEOF, 0);
  out.Flush();
  // The head announced this many bytes: anything else would be a broken file.
  if (out.Position() != streamSize) cxExportError(scxWorkbookWrite);
}

void InitializeCxXLSExport() {
  InitUnit("cxXLSExport", [] {
    InitializeCxExport();
    TcxExport::RegisterProviderClass(TcxXLSExportProvider::Class());
  });
}
