#include "editors-extra/cxExtEditUtils.h"

#include <vector>

#include "rtl/SysUtils.h"

String EncodeBytesAsHex(const void* bytes, size_t count) {
  static const char digits[] = "0123456789ABCDEF";
  String r;
  r.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t b = static_cast<const uint8_t*>(bytes)[i];
    r += digits[b >> 4];
    r += digits[b & 15];
  }
  return r;
}

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  throw EcxHexStringConvertError("");
}
}  // namespace

std::string DecodeHexBytes(const String& text) {
  std::string bytes;
  bytes.reserve(text.size() / 2);
  for (size_t i = 0; i + 1 < text.size(); i += 2) bytes += char(HexDigit(text[i]) << 4 | HexDigit(text[i + 1]));
  return bytes;
}

String EncodeStreamAsHexText(TStream* stream) {
  if (!stream || stream->Size() == 0) return String();
  std::vector<uint8_t> bytes(size_t(stream->Size()));
  stream->SetPosition(0);
  stream->ReadBuffer(bytes.data(), Int64(bytes.size()));
  return "Hex:" + EncodeBytesAsHex(bytes.data(), bytes.size());
}

void DecodeHexTextToStream(const String& text, TStream* stream) {
  if (!stream || text.size() <= 5) return;
  const std::string bytes = DecodeHexBytes(text.substr(4));
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), Int64(bytes.size()));
}

bool ParseBooleanText(const String& text) {
  if (SameText(text, "TRUE")) return true;
  if (SameText(text, "FALSE")) return false;
  throw EPropertyConvertError("");
}
