// The format-independent core of the export library: the cell-sheet writer contract
// IcxExportProvider, the registry of provider classes by export type, the packed 96-byte cell
// style record with its hash, the style manager shared by the providers of one file, and the
// routines every provider and link uses (default style, colours, currency format, picture
// files beside the export file).
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "export/cxExportStrs.h"
#include "rtl/Classes.h"
#include "rtl/SysUtils.h"
#include "rtl/Variants.h"

class TGraphic;
using TGraphicClass = TClass;

// Export types.
constexpr Integer cxExportToCustom = -1;
constexpr Integer cxExportToExcel = 1;
constexpr Integer cxExportToHtml = 2;
constexpr Integer cxExportToXml = 3;
constexpr Integer cxExportToText = 4;

// ---------------------------------------------------------------------------------------------
// The style record. Its bytes are compared as they stand, so the layout is part of the
// contract: packed, 96 bytes, colours as RGB values with red in the low byte.

enum TcxAlignText : Byte { catLeft, catCenter, catRight };
enum TcxBrushStyle : Byte { cbsClear, cbsSolid };
// Bits of the font style byte.
constexpr Byte cfsBold = 1;
constexpr Byte cfsItalic = 2;
constexpr Byte cfsUnderline = 4;
constexpr Byte cfsStrikeOut = 8;
// The font name holds at most this many bytes of UTF-8, then zeros.
constexpr int cxExportFontNameSize = 32;

#pragma pack(push, 1)
struct TcxCellBorders {
  Byte IsDefault;  // 1: no border of its own, the format's default applies
  Integer Width;   // pixels; 0 means no line
  Integer Color;
};

struct TcxCacheCellStyle {
  Byte AlignText;                          // 0: TcxAlignText
  char FontName[cxExportFontNameSize + 1]; // 1
  Byte FontStyle;                          // 34: cfsBold ...
  Integer FontColor;                       // 35
  Integer FontSize;                        // 39: points
  Integer FontCharset;                     // 43
  TcxCellBorders Borders[4];               // 47: left, top, right, bottom
  Byte BrushStyle;                         // 83: TcxBrushStyle
  Integer BrushBkColor;                    // 84
  Integer BrushFgColor;                    // 88
  Integer HashCode;                        // 92: of bytes 0..91, set when registered
};
#pragma pack(pop)
static_assert(sizeof(TcxCellBorders) == 9);
static_assert(sizeof(TcxCacheCellStyle) == 96);

// The bytes the hash and the comparison of two styles cover.
constexpr int cxStyleKeySize = 92;

// Rotate the 32-bit value left by 5, then exclusive-or the next byte into its low 8 bits.
uint32_t cxHashBytes(const void* data, size_t size);
// The hash of the style's bytes 0..cxStyleKeySize-1.
Integer cxStyleHash(const TcxCacheCellStyle& style);

// Finds stored byte records by their content: an open-addressing table over a mixing hash of
// the bytes. The rotate hash above repeats for records that differ in a few neighbouring bytes
// (numbered styles, XLS records), so it is not used to place them: with the mixing hash a
// lookup costs about one probe whatever the number of records.
class TcxContentIndex {
 public:
  static uint64_t Hash(const void* data, size_t size);
  // The index of the stored record `equal` accepts among those with `hash`; -1 when none.
  template <class Equal>
  Integer Find(uint64_t hash, Equal equal) const {
    if (slots_.empty()) return -1;
    for (size_t i = size_t(uint32_t(hash)) & mask_;; i = (i + 1) & mask_) {
      const TSlot& s = slots_[i];
      if (s.Index < 0) return -1;
      if (s.Tag == uint32_t(hash) && equal(s.Index)) return s.Index;
    }
  }
  void Add(uint64_t hash, Integer index);

 private:
  struct TSlot {
    uint32_t Tag;   // the hash's low half, which also places the slot
    Integer Index;  // -1: empty
  };
  void Grow();
  std::vector<TSlot> slots_;
  size_t count_ = 0;
  size_t mask_ = 0;
};
// Stores the name zero-padded, cut to cxExportFontNameSize bytes between two characters.
void cxSetStyleFontName(TcxCacheCellStyle& style, const String& name);
String cxStyleFontName(const TcxCacheCellStyle& style);

// ---------------------------------------------------------------------------------------------
// Errors

KORVAN_EXCEPTION(EcxExportData, Exception);

// ---------------------------------------------------------------------------------------------
// The contract of a cell-sheet writer. Columns and rows count from 0; a cell is (col, row).
// A link sets the range first, then widths, heights, styles and data, and calls Commit once.

class IcxExportProvider : public virtual IInterface {
 public:
  virtual void Commit() = 0;
  virtual const TcxCacheCellStyle* GetCellStyle(Integer col, Integer row) = 0;
  virtual const TcxCacheCellStyle* GetStyle(Integer styleIndex) = 0;
  virtual Integer RegisterStyle(const TcxCacheCellStyle& style) = 0;
  virtual void SetCellDataDouble(Integer col, Integer row, double value) = 0;
  virtual void SetCellDataInteger(Integer col, Integer row, Integer value) = 0;
  virtual void SetCellDataString(Integer col, Integer row, const String& value) = 0;
  virtual void SetCellDataWideString(Integer col, Integer row, const WideString& value) = 0;
  // -1 is the default style.
  virtual void SetCellStyle(Integer col, Integer row, Integer styleIndex) = 0;
  virtual void SetCellStyle(Integer col, Integer row, Integer exampleCol, Integer exampleRow) = 0;
  virtual void SetCellStyle(Integer col, Integer row, const TcxCacheCellStyle& style) = 0;
  virtual void SetCellStyleEx(Integer col, Integer row, Integer height, Integer width, Integer styleIndex) = 0;
  // The cell becomes the top-left cell of a range of `width` columns and `height` rows.
  virtual void SetCellUnion(Integer col, Integer row, Integer height, Integer width) = 0;
  virtual void SetCellValue(Integer col, Integer row, const Variant& value) = 0;
  virtual void SetColumnWidth(Integer col, Integer width) = 0;
  virtual void SetDefaultStyle(const TcxCacheCellStyle& style) = 0;
  virtual void SetRange(Integer colCount, Integer rowCount, bool visibleGrid) = 0;
  virtual void SetRowHeight(Integer row, Integer height) = 0;
  // A picture cell. The provider may replace the picture by a converted one (freeing the
  // given one); the caller owns what `graphic` holds afterwards.
  virtual void SetCellGraphic(Integer col, Integer row, TGraphic*& graphic) = 0;
  virtual bool SupportGraphic() = 0;
};

// The Excel provider's sheet and range names.
class IcxExportSheetNames : public virtual IInterface {
 public:
  virtual void SetSheetName(const String& name) = 0;
  virtual void SetRangeName(const String& name, const TRect& range) = 0;
};

// The text provider's separator, begin and end strings, in the order of the calls.
class IcxExportSeparators : public virtual IInterface {
 public:
  virtual void AddSeparator(const String& s) = 0;
};

// ---------------------------------------------------------------------------------------------
// Provider classes. A provider class is one immutable descriptor object per class (its
// class-level operations and its constructor); a class value points to it.

class TcxCustomExportProvider;

class TcxExportProviderClassInfo {
 public:
  virtual ~TcxExportProviderClassInfo() = default;
  virtual Integer ExportType() const = 0;
  virtual String ExportName() const = 0;
  virtual std::shared_ptr<TcxCustomExportProvider> Create(const String& fileName) const = 0;
};
using TcxExportProviderClass = const TcxExportProviderClassInfo*;

template <class T>
class TcxExportProviderClassOf final : public TcxExportProviderClassInfo {
 public:
  Integer ExportType() const override { return T::ExportType(); }
  String ExportName() const override { return T::ExportName(); }
  std::shared_ptr<TcxCustomExportProvider> Create(const String& fileName) const override {
    return std::make_shared<T>(fileName);
  }
};

// Inside a provider class: its class value.
#define CX_EXPORT_PROVIDER_CLASS(T)                 \
  static TcxExportProviderClass Class() {           \
    static const TcxExportProviderClassOf<T> info;  \
    return &info;                                   \
  }

// The base of every provider: holds the output file name (UTF-8, "/" kept as it stands). A
// provider is held through std::shared_ptr and dies with its last interface reference.
class TcxCustomExportProvider : public virtual IInterface {
 public:
  explicit TcxCustomExportProvider(const String& fileName) : fileName_(fileName) {}
  static Integer ExportType() { return cxExportToCustom; }
  static String ExportName() { return {}; }
  const String& FileName() const { return fileName_; }

 private:
  String fileName_;
};

// The registry of provider classes, in registration order.
class TcxExport {
 public:
  // False for no class, a class already registered, or one whose export type is taken.
  static bool RegisterProviderClass(TcxExportProviderClass providerClass);
  // Raises EcxExportData "Unsupported export type: %1" for a type nobody registered.
  static TcxExportProviderClass GetProviderClassByType(Integer exportType);
  static std::shared_ptr<TcxCustomExportProvider> Provider(Integer exportType, const String& fileName);
};

// ---------------------------------------------------------------------------------------------
// The style list of one output file, shared by every provider writing that file at the same
// time (a master and its nested detail caches). Styles are found by their hash, so
// registering costs the same however many styles exist.

class TcxExportStyleManager {
 public:
  // The manager of the file name (compared without regard to case): an existing one gets the
  // process-wide default style registered and one more reference; otherwise a new one.
  static TcxExportStyleManager* GetInstance(const String& fileName);
  // Sets the record's hash, then answers the index of an equal registered style (bytes 0..91)
  // or of a new copy.
  Integer RegisterStyle(TcxCacheCellStyle& style);
  // Raises EcxExportData "Invalid style index %d" outside 0..count-1.
  const TcxCacheCellStyle* GetStyle(Integer index) const;
  Integer GetStyleCount() const { return Integer(styles_.size()); }
  const String& FileName() const { return fileName_; }
  Integer RefCount() const { return refCount_; }
  // Drops one reference; the last one destroys the manager and removes its file name.
  void Release();

 private:
  explicit TcxExportStyleManager(const String& fileName) : fileName_(fileName) {}
  ~TcxExportStyleManager() = default;
  String fileName_;
  std::deque<TcxCacheCellStyle> styles_;  // stable addresses as the list grows
  TcxContentIndex index_;
  Integer refCount_ = 1;
};

// ---------------------------------------------------------------------------------------------
// Set-up and shared routines

using TcxGetResourceStringProc = std::function<String(const TcxResourceStringRec&)>;
using TcxColorToRGBProc = std::function<Integer(Integer color)>;

// The engine's set-up, run by each link unit's start (again: everything is repeated): keeps
// the text and colour functions, empties the list of style managers, builds the default style
// and the currency format from the global FormatSettings. With `isNativeColor` False, a system
// colour's RGB value gets its red and blue bytes exchanged.
void cxExportInit(TcxGetResourceStringProc getResString, TcxColorToRGBProc colorToRGB, bool isNativeColor);
// The unit start: registers the unit end and runs cxExportInit with the foundation's resource
// texts and the platform's ColorToRGB.
void InitializeCxExport();

// A message text through the set-up's resource-text function.
String cxGetResString(const TcxResourceStringRec& rec);
// The message with "%d" replaced (Format) by `value`.
[[noreturn]] void cxExportError(const TcxResourceStringRec& rec);
[[noreturn]] void cxExportError(const TcxResourceStringRec& rec, Integer value);

Integer ExportColor(Integer color);
// The code page of a font character set (0: the system's).
Integer CharsetToCodePage(Integer charset);
// True when a byte of s is above 127; strictly also for characters outside blank, "!",
// "(" to ";", "A" to "Z", "_" and "a" to "z".
bool NeedsEncoding(const String& s, bool strict);

// Alignment centre, Tahoma 8 pt in the button-text colour, four borders of width 1 in the
// button-shadow colour, solid window-colour background.
const TcxCacheCellStyle& DefaultCellStyle();

// The display format of currency values: the positive and the negative section of the
// settings' currency format, the symbol's "," and "." quoted.
String BuildCurrencyFormat(const TFormatSettings& settings);
// The format built at set-up.
const String& CurrencyFormat();

// ---------------------------------------------------------------------------------------------
// Pictures of the text providers, written into a folder beside the export file.

// The class pictures are written as; TBitmap by default.
TGraphicClass ExportGraphicClass();
void SetExportGraphicClass(TGraphicClass graphicClass);
// A picture that is neither a bitmap nor a metafile becomes one of the export class (the given
// one is freed and replaced); when that fails the given one stays.
void ConvertGraphic(TGraphic*& graphic);
// "dir/name.html" -> "dir/name.images/name_<n>.<ext>"; the picture counter then increments.
String GetCellGraphicFileName(const String& fileName, const String& ext);
// The picture's file name and bytes in one block: the name's length (4 bytes, little-endian),
// the name, then the picture saved in the format of its class.
String GraphicToData(const String& fileName, TGraphic*& graphic);
void DataToGraphic(const String& data, String& pictureFileName, String& bytes);
// Each text provider counts itself while it lives; when none lives the picture counter
// restarts at 0, so that the pictures of one export are numbered from 0.
void cxExportTextProviderCreated();
void cxExportTextProviderDestroyed();

// ---------------------------------------------------------------------------------------------
// Output files

// The file stream every provider creates its output files through.
class TFileStreamEx : public TFileStream {
  KORVAN_CLASS(TFileStreamEx, TFileStream)

 public:
  using TFileStream::TFileStream;
};

// Collects small writes and passes them on in large blocks; Flush passes on the rest. Nothing
// is passed on at destruction (after a failure the file stays as far as it was flushed).
class TcxBufferedStream : public TStream {
 public:
  explicit TcxBufferedStream(TStream* target, size_t capacity = 1 << 16) : target_(target), capacity_(capacity) {}
  Int64 Read(void*, Int64) override { return 0; }
  Int64 Write(const void* buffer, Int64 count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  using TStream::Seek;
  void Flush();
  void Put(std::string_view s) {
    if (buffer_.size() + s.size() > capacity_) Flush();
    buffer_.append(s);
  }

 private:
  TStream* target_;
  size_t capacity_;
  String buffer_;
};

// Writes text to a stream, through the buffer when the stream is one.
void cxWriteText(TStream* stream, std::string_view s);
