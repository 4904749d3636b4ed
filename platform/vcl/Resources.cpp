#include "vcl/Resources.h"

#include <algorithm>
#include <map>
#include <vector>

#include "rtl/SysUtils.h"
#include "vcl/Consts.h"
#include "vcl/Graphics.h"

namespace {
std::map<std::pair<String, String>, String>& Table() {
  static std::map<std::pair<String, String>, String> t;
  return t;
}
}  // namespace

void RegisterResource(const String& name, const String& type, const void* data, size_t size) {
  Table()[{UpperCase(name), UpperCase(type)}] = String(static_cast<const char*>(data), size);
}

bool FindResourceData(const String& name, const String& type, String& bytes) {
  auto it = Table().find({UpperCase(name), UpperCase(type)});
  if (it == Table().end()) return false;
  bytes = it->second;
  return true;
}

bool ResourceExists(const String& name, const String& type) { return Table().count({UpperCase(name), UpperCase(type)}) != 0; }

KORVAN_IMPLEMENT_CLASS(TResourceStream)

TResourceStream::TResourceStream(const String& name, const String& type) {
  if (!FindResourceData(name, type, data_)) throw EResNotFound(Format(vcl_consts::SResNotFound, {name}));
  SetPointer(data_.data(), Int64(data_.size()));
}

Int64 TResourceStream::Write(const void*, Int64) { throw EStreamError("Can't write to a read-only resource stream"); }

void LoadBitmapResource(TBitmap* bitmap, const String& name) {
  TResourceStream s(name, RT_BITMAP_NAME);
  bitmap->LoadFromStream(&s);
}

HCURSOR LoadCursorResource(const String& name, Integer hotX, Integer hotY) {
  TResourceStream s(name, RT_CURSOR_NAME);
  TBitmap b;
  b.LoadFromStream(&s);
  std::vector<uint32_t> pixels(size_t(b.Width()) * size_t(b.Height()));
  for (Integer y = 0; y < b.Height(); ++y) {
    auto* row = static_cast<const uint32_t*>(b.ScanLine(y));
    std::copy(row, row + b.Width(), pixels.begin() + ptrdiff_t(y) * b.Width());
  }
  return CreateCursorFromPixels(b.Width(), b.Height(), pixels.data(), hotX, hotY);
}
