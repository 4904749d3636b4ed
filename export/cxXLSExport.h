// The Excel workbook writer (export type 1): a one-sheet BIFF8 workbook kept as ready-made
// records, with its shared string table, written on Commit as the stream "Workbook" of a
// compound document whose head is computed from the record stream's size in advance.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "export/cxExport.h"

// ---------------------------------------------------------------------------------------------
// Records of one id, each stored once: adding bytes equal to a stored record answers its index.
// Records are found by the hash of their bytes.

class TcxXLSRecordsList {
 public:
  explicit TcxXLSRecordsList(Word recordId) : id_(recordId) {}
  Integer Add(const String& data);
  Integer Count() const { return Integer(records_.size()); }
  const String& Data(Integer index) const { return records_[size_t(index)]; }
  // Each record as id, length and data.
  void Write(TStream* stream) const;
  // 4 bytes a record plus the data lengths.
  Int64 GetSize() const { return size_; }

 private:
  Word id_;
  std::vector<String> records_;
  TcxContentIndex index_;
  Int64 size_ = 0;
};

// ---------------------------------------------------------------------------------------------
// The shared string table: one SST record, CONTINUE records as the texts need them, and the
// EXTSST index. Texts are stored as UTF-16; equal texts are stored again.

class TcxXLSSharedStringTable {
 public:
  // The index of the new string (0, 1, 2, ...). The text is cut to 4096 UTF-16 units, never
  // between the two halves of a surrogate pair.
  Integer Add(const WideString& text);
  Integer Count() const { return Integer(strings_.size()); }
  // The bytes Write produces; 0 without strings.
  Int64 GetSize() const;
  // Writes the records at `position` (-1: the stream's current position), which is also the
  // base of the EXTSST offsets. Nothing without strings.
  void Write(TStream* stream, Int64 position = -1) const;

 private:
  struct TBuffer {
    Word startCount = 0;   // strings that start in this record
    Word firstOffset = 0;  // data offset of the first of them
    Word id = 0;           // SST or CONTINUE
    String data;
  };
  struct TStringInfo {
    Word hash;
    Integer byteLength;
    Integer buffer;
    Integer offset;  // data offset in its buffer
  };
  TBuffer& NewBuffer(Word id);
  // Strings per EXTSST bucket and the strings whose positions the entries give.
  void Buckets(Integer& perBucket, Integer& entries) const;
  std::vector<TBuffer> buffers_;
  std::vector<TStringInfo> strings_;
};

// ---------------------------------------------------------------------------------------------
// The compound document around the record stream: 512-byte sectors, a root entry and the
// stream "Workbook"; a stream below 4096 bytes lives in the mini stream. The head (header,
// allocation tables, directory) is written first, then the caller appends exactly the stream's
// bytes.

class TcxXLSWorkBookWriter {
 public:
  // The head for a record stream of `size` bytes. Raises EcxExportData "Error write XLS file"
  // for a size of 0 or less or one beyond the format's 32-bit sizes.
  static String BuildHead(Int64 size);
  // Builds the head and writes it at the stream's position; also raises for no stream.
  static void WriteHead(Int64 size, TStream* stream);

  // The number of FAT sectors and DIFAT sectors a large stream of `sectors` sectors needs.
  static void FatSectorCounts(Int64 sectors, Integer& fatCount, Integer& difatCount);
};

// ---------------------------------------------------------------------------------------------
// The workbook writer.

// What a number cell's value is, for the number format its XF gets.
enum TcxXLSNumberKind : Byte { xnkNone, xnkDateTime, xnkDate, xnkTime, xnkCurrency };

class TcxXLSExportProvider : public TcxCustomExportProvider, public IcxExportProvider, public IcxExportSheetNames {
 public:
  // Creates a temporary file beside the target (so an unwritable folder fails here); Commit
  // renames it over the target, and a provider released without Commit removes it again.
  explicit TcxXLSExportProvider(const String& fileName);
  ~TcxXLSExportProvider() override;
  TcxXLSExportProvider(const TcxXLSExportProvider&) = delete;
  TcxXLSExportProvider& operator=(const TcxXLSExportProvider&) = delete;
  CX_EXPORT_PROVIDER_CLASS(TcxXLSExportProvider)
  static Integer ExportType() { return cxExportToExcel; }
  static String ExportName() { return cxGetResString(scxExportToExcel); }

  // IcxExportProvider
  void Commit() override;
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
  void SetCellGraphic(Integer, Integer, TGraphic*&) override {}
  bool SupportGraphic() override { return false; }

  // IcxExportSheetNames. The sheet name is cut to 31 characters and "[]:*?/\" become "_".
  void SetSheetName(const String& name) override;
  void SetRangeName(const String& name, const TRect& range) override;

  virtual void SetCellDataBoolean(Integer col, Integer row, bool value);
  // A NUMBER of value / 10000 with the currency format.
  virtual void SetCellDataCurrency(Integer col, Integer row, Currency value);
  // A NUMBER in the sheet's serial day numbering with a date, time or date-and-time format.
  virtual void SetCellDataDateTime(Integer col, Integer row, TDateTime value);

  // The size of the record stream Commit writes.
  Int64 GetStreamSize() const;
  const WideString& SheetName() const { return sheetName_; }
  // The temporary file the workbook is written to before Commit renames it.
  const String& TempFileName() const { return tempFileName_; }

 private:
  struct TCell {
    Word id;  // BLANK, BOOLERR, NUMBER, LABEL or LABELSST
    Word xf;
    Integer style;    // the style index the cell was given (-1: the format's default)
    Word dataLength;  // of the whole record's data
    TcxXLSNumberKind kind;
    bool merged;  // inside a merged range: keeps its XF
    union {
      double number;
      uint32_t sstIndex;
      Byte boolean;
      uint64_t labelOffset;  // into labels_: count, flags and characters
    };
  };
  // The cell, or nullptr outside the range; raises "Invalid cell dimension" before SetRange.
  TCell* Cell(Integer col, Integer row);
  void SetNumber(Integer col, Integer row, double value, TcxXLSNumberKind kind);
  void SetLabel(TCell& cell, const WideString& text);
  void SetLabel8(TCell& cell, const String& text);
  Word ColorIndex(Integer color, int kind);
  Word FontIndex(const TcxCacheCellStyle& style);
  Word BuildXF(Integer styleIndex, TcxXLSNumberKind kind, bool merge);
  void WriteRecords(TStream* stream, Int64 streamStart);
  void CloseAndRemoveTemp();

  std::unique_ptr<TFileStreamEx> stream_;
  String tempFileName_;
  TcxXLSRecordsList fonts_{0x0031};
  TcxXLSRecordsList xfs_{0x00E0};
  std::map<Integer, Word> columnWidths_;  // column -> width, one COLINFO each
  std::map<Integer, Word> rowHeights_;    // row -> twips, one ROW each
  std::vector<TCell> cells_;              // column by column
  // XF index by style, number kind and merge flag (0: not built yet).
  std::vector<std::array<Word, 10>> xfMemo_;
  String labels_;
  TcxExportStyleManager* styleManager_;
  TcxXLSSharedStringTable sst_;
  Integer colCount_ = -1;
  Integer rowCount_ = -1;
  bool visibleGrid_ = false;
  uint32_t palette_[56];
  Integer lastUnclaimed_ = 55;
  std::vector<std::array<Word, 4>> mergedRanges_;  // first row, last row, first col, last col
  WideString sheetName_;
  String nameRecord_;
};

// The unit start: registers the Excel provider.
void InitializeCxXLSExport();
