#include "editors-extra/cxExtEditUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "editors/cxTextEdit.h"
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

bool TryNumberTextToDouble(const String& text, double& value) {
  value = 0;
  String s = text;
  if (const char sep = FormatSettings.ThousandSeparator) s.erase(std::remove(s.begin(), s.end(), sep), s.end());
  s = Trim(s);
  // The syntax is checked here; the digits are read in the C form.
  String plain;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) plain += s[i++] == '-' ? "-" : "";
  size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') plain += s[i++], ++digits;
  if (i < s.size() && s[i] == FormatSettings.DecimalSeparator) {
    plain += '.';
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') plain += s[i++], ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    plain += 'e';
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) plain += s[i++];
    size_t exp_digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') plain += s[i++], ++exp_digits;
    if (exp_digits == 0) return false;
  }
  if (i != s.size()) return false;
  long double v = 0;
  const char* first = plain.data();
  const std::from_chars_result r = std::from_chars(first, first + plain.size(), v);
  if (r.ec != std::errc() || r.ptr != first + plain.size()) return false;
  const long double m = std::fabs(v);
  if (v != 0 && (m < 5.0e-324L || m > 1.7e308L)) return false;
  value = double(v);
  return true;
}

String TextWithTypedChar(TcxCustomTextEdit* edit, char32_t c) {
  const String text = VarToStr(edit->CurrentDisplayText());
  const size_t start = size_t(CharToElementLen(text, edit->SelStart()));
  const size_t end = size_t(CharToElementLen(text, edit->SelStart() + edit->SelLength()));
  String typed;
  AppendUtf8(typed, c);
  return text.substr(0, start) + typed + text.substr(std::min(end, text.size()));
}
