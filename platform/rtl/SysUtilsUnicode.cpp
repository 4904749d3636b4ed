// UTF-16 conversion and the display width of a text (ICU character properties).
#include <unicode/uchar.h>

#include "rtl/SysUtils.h"

WideString UTF8Decode(const String& s) {
  WideString out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    char32_t cp = DecodeUtf8(s, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += char16_t(0xD800 + (cp >> 10));
      out += char16_t(0xDC00 + (cp & 0x3FF));
    } else {
      out += char16_t(cp);
    }
  }
  return out;
}

String UTF8Encode(const WideString& s) {
  String out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (char32_t(s[i + 1]) - 0xDC00);
      ++i;
    }
    AppendUtf8(out, cp);  // a lone surrogate becomes U+FFFD there
  }
  return out;
}

Integer TextDisplayWidth(const String& s) {
  Integer width = 0;
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {  // ASCII: one column, without asking ICU
      ++width;
      ++i;
      continue;
    }
    UChar32 cp = UChar32(DecodeUtf8(s, i));
    int8_t kind = u_charType(cp);
    if (kind == U_NON_SPACING_MARK || kind == U_ENCLOSING_MARK || kind == U_FORMAT_CHAR) continue;
    int ea = u_getIntPropertyValue(cp, UCHAR_EAST_ASIAN_WIDTH);
    width += (ea == U_EA_WIDE || ea == U_EA_FULLWIDTH) ? 2 : 1;
  }
  return width;
}
