#include "export/cxExport.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "vcl/Graphics.h"

// ---------------------------------------------------------------------------------------------
// Style record

uint32_t cxHashBytes(const void* data, size_t size) {
  const auto* bytes = static_cast<const Byte*>(data);
  uint32_t h = 0;
  for (size_t i = 0; i < size; ++i) h = ((h << 5) | (h >> 27)) ^ bytes[i];
  return h;
}

Integer cxStyleHash(const TcxCacheCellStyle& style) { return Integer(cxHashBytes(&style, cxStyleKeySize)); }

uint64_t TcxContentIndex::Hash(const void* data, size_t size) {
  const auto* p = static_cast<const Byte*>(data);
  uint64_t h = 0x9E3779B97F4A7C15ULL ^ size;
  auto mix = [&h](uint64_t w) {
    h ^= w;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 32;
  };
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t w;
    std::memcpy(&w, p + i, 8);
    mix(w);
  }
  if (i < size) {
    uint64_t w = 0;
    std::memcpy(&w, p + i, size - i);
    mix(w);
  }
  h ^= h >> 29;
  h *= 0xC4CEB9FE1A85EC53ULL;
  return h ^ (h >> 32);
}

void TcxContentIndex::Add(uint64_t hash, Integer index) {
  if ((count_ + 1) * 2 > slots_.size()) Grow();
  size_t i = size_t(uint32_t(hash)) & mask_;
  while (slots_[i].Index >= 0) i = (i + 1) & mask_;
  slots_[i] = {uint32_t(hash), index};
  ++count_;
}

void TcxContentIndex::Grow() {
  // A slot's place comes from the hash's low half, which the tag keeps: the entries move to
  // the larger table without their records being hashed again.
  std::vector<TSlot> old;
  old.swap(slots_);
  size_t size = old.empty() ? 16 : old.size() * 2;
  slots_.assign(size, TSlot{0, -1});
  mask_ = size - 1;
  for (const TSlot& s : old) {
    if (s.Index < 0) continue;
    size_t i = size_t(s.Tag) & mask_;
    while (slots_[i].Index >= 0) i = (i + 1) & mask_;
    slots_[i] = s;
  }
}

void cxSetStyleFontName(TcxCacheCellStyle& style, const String& name) {
  std::memset(style.FontName, 0, sizeof(style.FontName));
  size_t n = 0;
  while (n < name.size()) {
    size_t next = n;
    DecodeUtf8(name, next);
    if (next > size_t(cxExportFontNameSize)) break;
    n = next;
  }
  std::memcpy(style.FontName, name.data(), n);
}

String cxStyleFontName(const TcxCacheCellStyle& style) {
  return String(style.FontName, strnlen(style.FontName, sizeof(style.FontName)));
}

// ---------------------------------------------------------------------------------------------
// Process-wide state

namespace {

struct TcxExportState {
  TcxGetResourceStringProc getResString;
  TcxColorToRGBProc colorToRGB;
  bool isNativeColor = true;
  std::vector<TcxExportProviderClass> providers;
  // Managers by upper-cased file name. The list does not own them: each lives while a
  // provider holds it.
  std::map<String, TcxExportStyleManager*> managers;
  TcxCacheCellStyle defaultStyle{};
  String currencyFormat;
  TGraphicClass graphicClass = nullptr;
  Integer pictureCounter = 0;
  Integer textProviderCount = 0;
};

TcxExportState& State() {
  static TcxExportState state;
  return state;
}

String ManagerKey(const String& fileName) { return AnsiUpperCase(fileName); }

}  // namespace

String cxGetResString(const TcxResourceStringRec& rec) {
  InitializeCxExport();
  auto& s = State();
  return s.getResString ? s.getResString(rec) : LoadReplaceableResString(rec);
}

void cxExportError(const TcxResourceStringRec& rec) { throw EcxExportData(cxGetResString(rec)); }

void cxExportError(const TcxResourceStringRec& rec, Integer value) {
  throw EcxExportData(Format(cxGetResString(rec), {value}));
}

// ---------------------------------------------------------------------------------------------
// Registry

bool TcxExport::RegisterProviderClass(TcxExportProviderClass providerClass) {
  InitializeCxExport();
  if (providerClass == nullptr) return false;
  auto& list = State().providers;
  for (TcxExportProviderClass c : list)
    if (c == providerClass || c->ExportType() == providerClass->ExportType()) return false;
  list.push_back(providerClass);
  return true;
}

TcxExportProviderClass TcxExport::GetProviderClassByType(Integer exportType) {
  InitializeCxExport();
  for (TcxExportProviderClass c : State().providers)
    if (c->ExportType() == exportType) return c;
  throw EcxExportData(StringReplace(cxGetResString(scxUnsupportedExport), "%1", IntToStr(exportType)));
}

std::shared_ptr<TcxCustomExportProvider> TcxExport::Provider(Integer exportType, const String& fileName) {
  return GetProviderClassByType(exportType)->Create(fileName);
}

// ---------------------------------------------------------------------------------------------
// Style manager

TcxExportStyleManager* TcxExportStyleManager::GetInstance(const String& fileName) {
  InitializeCxExport();
  auto& managers = State().managers;
  String key = ManagerKey(fileName);
  auto it = managers.find(key);
  if (it != managers.end()) {
    TcxCacheCellStyle style = State().defaultStyle;
    it->second->RegisterStyle(style);
    ++it->second->refCount_;
    return it->second;
  }
  auto* manager = new TcxExportStyleManager(fileName);
  managers[key] = manager;
  return manager;
}

Integer TcxExportStyleManager::RegisterStyle(TcxCacheCellStyle& style) {
  style.HashCode = cxStyleHash(style);
  uint64_t hash = TcxContentIndex::Hash(&style, cxStyleKeySize);
  Integer found = index_.Find(
      hash, [&](Integer i) { return std::memcmp(&styles_[size_t(i)], &style, cxStyleKeySize) == 0; });
  if (found >= 0) return found;
  Integer index = Integer(styles_.size());
  styles_.push_back(style);
  index_.Add(hash, index);
  return index;
}

const TcxCacheCellStyle* TcxExportStyleManager::GetStyle(Integer index) const {
  if (index < 0 || index >= GetStyleCount()) cxExportError(scxInvalidStyleIndex, index);
  return &styles_[size_t(index)];
}

void TcxExportStyleManager::Release() {
  if (--refCount_ > 0) return;
  auto& managers = State().managers;
  auto it = managers.find(ManagerKey(fileName_));
  // A set-up since this manager was made has emptied the list: then it is not there.
  if (it != managers.end() && it->second == this) managers.erase(it);
  delete this;
}

// ---------------------------------------------------------------------------------------------
// Set-up

String BuildCurrencyFormat(const TFormatSettings& settings) { return CurrencyFormatPattern(settings); }

void cxExportInit(TcxGetResourceStringProc getResString, TcxColorToRGBProc colorToRGB, bool isNativeColor) {
  InitializeCxExport();  // the unit start (its own call of this returns at once)
  auto& s = State();
  s.getResString = std::move(getResString);
  s.colorToRGB = std::move(colorToRGB);
  s.isNativeColor = isNativeColor;
  s.managers.clear();

  TcxCacheCellStyle& d = s.defaultStyle;
  std::memset(&d, 0, sizeof(d));
  d.AlignText = catCenter;
  cxSetStyleFontName(d, "Tahoma");
  d.FontStyle = 0;
  d.FontColor = ExportColor(clBtnText);
  d.FontSize = 8;
  d.FontCharset = 0;
  for (TcxCellBorders& b : d.Borders) {
    b.IsDefault = 0;
    b.Width = 1;
    b.Color = ExportColor(clBtnShadow);
  }
  d.BrushStyle = cbsSolid;
  d.BrushBkColor = ExportColor(clWindow);
  d.BrushFgColor = 0;

  s.currencyFormat = BuildCurrencyFormat(FormatSettings);
}

void InitializeCxExport() {
  InitUnit(
      "cxExport",
      [] {
        State().graphicClass = TBitmap::StaticClass();
        cxExportInit(&LoadReplaceableResString, [](Integer c) { return Integer(ColorToRGB(c)); }, true);
      },
      [] {
        auto& s = State();
        s.providers.clear();
        s.managers.clear();
        s.currencyFormat.clear();
      });
}

Integer ExportColor(Integer color) {
  auto& s = State();
  Integer rgb = s.colorToRGB ? s.colorToRGB(color) : color;
  if (!s.isNativeColor && color < 0)
    rgb = (rgb & Integer(0xFF00FF00)) | ((rgb & 0xFF) << 16) | ((rgb >> 16) & 0xFF);
  return rgb;
}

Integer CharsetToCodePage(Integer charset) {
  switch (charset) {
    case 128: return 932;
    case 129: return 949;
    case 130: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 0;
  }
}

bool NeedsEncoding(const String& s, bool strict) {
  for (char ch : s) {
    auto c = static_cast<unsigned char>(ch);
    if (c > 127) return true;
    if (strict) {
      bool safe = c == ' ' || c == '!' || (c >= '(' && c <= ';') || (c >= 'A' && c <= 'Z') || c == '_' ||
                  (c >= 'a' && c <= 'z');
      if (!safe) return true;
    }
  }
  return false;
}

const TcxCacheCellStyle& DefaultCellStyle() {
  InitializeCxExport();
  return State().defaultStyle;
}

const String& CurrencyFormat() {
  InitializeCxExport();
  return State().currencyFormat;
}

// ---------------------------------------------------------------------------------------------
// Pictures

TGraphicClass ExportGraphicClass() {
  InitializeCxExport();
  return State().graphicClass;
}

void SetExportGraphicClass(TGraphicClass graphicClass) {
  InitializeCxExport();
  State().graphicClass = graphicClass ? graphicClass : TBitmap::StaticClass();
}

void ConvertGraphic(TGraphic*& graphic) {
  TGraphicClass cls = ExportGraphicClass();
  if (graphic == nullptr || cls->InheritsFrom(TBitmap::StaticClass()) || cls->InheritsFrom(TMetafile::StaticClass()))
    return;
  std::unique_ptr<TGraphic> converted(static_cast<TGraphic*>(cls->Create()));
  try {
    converted->Assign(graphic);
  } catch (const Exception&) {
    return;  // the given picture stays
  }
  delete graphic;
  graphic = converted.release();
}

String GetCellGraphicFileName(const String& fileName, const String& ext) {
  auto& s = State();
  String name = ChangeFileExt(fileName, ".images") + PathDelim + ChangeFileExt(ExtractFileName(fileName), "") + "_" +
                IntToStr(s.pictureCounter) + "." + ext;
  ++s.pictureCounter;
  return name;
}

String GraphicToData(const String& fileName, TGraphic*& graphic) {
  ConvertGraphic(graphic);
  String name = GetCellGraphicFileName(fileName, GraphicExtension(graphic->ClassType()));
  TMemoryStream stream;
  graphic->SaveToStream(&stream);
  String data;
  data.reserve(4 + name.size() + size_t(stream.Size()));
  auto len = uint32_t(name.size());
  for (int i = 0; i < 4; ++i) data += char((len >> (8 * i)) & 0xFF);
  data += name;
  data.append(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
  return data;
}

void DataToGraphic(const String& data, String& pictureFileName, String& bytes) {
  pictureFileName.clear();
  bytes.clear();
  if (data.size() < 4) return;
  uint32_t len = 0;
  for (int i = 0; i < 4; ++i) len |= uint32_t(static_cast<unsigned char>(data[size_t(i)])) << (8 * i);
  len = std::min<uint32_t>(len, uint32_t(data.size() - 4));
  pictureFileName = data.substr(4, len);
  bytes = data.substr(4 + len);
}

void cxExportTextProviderCreated() {
  InitializeCxExport();
  ++State().textProviderCount;
}

void cxExportTextProviderDestroyed() {
  auto& s = State();
  if (--s.textProviderCount <= 0) {
    s.textProviderCount = 0;
    s.pictureCounter = 0;
  }
}

// ---------------------------------------------------------------------------------------------
// Output

KORVAN_IMPLEMENT_CLASS(TFileStreamEx)

Int64 TcxBufferedStream::Write(const void* buffer, Int64 count) {
  Put(std::string_view(static_cast<const char*>(buffer), size_t(count)));
  return count;
}

Int64 TcxBufferedStream::Seek(Int64 offset, TSeekOrigin origin) {
  Flush();
  return target_->Seek(offset, origin);
}

void TcxBufferedStream::Flush() {
  if (buffer_.empty()) return;
  target_->WriteBuffer(buffer_.data(), Int64(buffer_.size()));
  buffer_.clear();
}

void cxWriteText(TStream* stream, std::string_view s) {
  if (auto* b = dynamic_cast<TcxBufferedStream*>(stream)) b->Put(s);
  else stream->WriteBuffer(s.data(), Int64(s.size()));
}
