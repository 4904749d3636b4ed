// Private to the graphics layer: resolved fonts and their glyph cache.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "gdi/GdiInternal.h"

namespace gdi {

struct Glyph {
  std::vector<uint8_t> cover;  // w x h coverage, 0..255
  int w = 0, h = 0;
  int left = 0, top = 0;  // bitmap offset from the pen position (top: up from the baseline)
  int advance = 0;        // whole pixels along the baseline
  int advX = 0, advY = 0; // advance vector in 1/64 pixels (rotated text; y down)
};

struct FaceRef;  // an opened FreeType face at this font's size

struct FontData {
  ~FontData();
  String family;  // what fontconfig chose
  int em = 11;    // pixel size of the em
  TEXTMETRIC tm;
  int underlinePos = 1;  // pixels below the baseline
  int underlineThick = 1;
  int strikePos = 3;  // pixels above the baseline
  bool underline = false, strike = false;
  int escapement = 0;  // tenths of a degree
  std::vector<std::unique_ptr<FaceRef>> faces;  // primary first, then fallbacks
  bool synthBold = false, synthItalic = false;
  std::unordered_map<char32_t, Glyph> cache;
  const Glyph& Get(char32_t ch);
};

// The resolved font of the DC's current font.
FontData* FontOf(HDC__* dc);
std::shared_ptr<FontData> Resolve(const LOGFONT& lf);

// UTF-8 decoding: invalid bytes count as U+FFFD, one byte each.
char32_t NextChar(const char* s, size_t n, size_t& i);

}  // namespace gdi
