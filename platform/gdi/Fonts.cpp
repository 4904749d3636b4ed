// Logical fonts resolved through fontconfig and rendered by FreeType, with a glyph cache per
// resolved font. Platform face names map to installed families; names that are neither mapped
// nor installed fall back to the default GUI font.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include FT_FONT_FORMATS_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>

#include "gdi/FontsInternal.h"
#include "rtl/System.h"

namespace gdi {

namespace {
FT_Library library = nullptr;
bool fcReady = false;
std::map<String, std::weak_ptr<FontData>>& Resolved() {
  static std::map<String, std::weak_ptr<FontData>> resolved;
  return resolved;
}

// At the end of the program every resolved font is dropped and FreeType and fontconfig are
// shut down, so that leak checkers see nothing left; later use starts them again.
void ShutDown() {
  gdi::ForEachObject([](gdi::Object* o) {
    if (o->kind == gdi::Kind::Font) static_cast<HFONT__*>(o)->data.reset();
  });
  Resolved().clear();
  if (library) FT_Done_FreeType(library);
  library = nullptr;
  if (fcReady) FcFini();
  fcReady = false;
}

void Start() {
  InitUnit("gdi.Fonts", [] {}, ShutDown);
}

FT_Library Library() {
  if (!library) {
    Start();
    FT_Init_FreeType(&library);
  }
  return library;
}

String Lower(const String& s) {
  String r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return r;
}

// Platform face names and the installed families that stand in for them.
const char* MappedFamily(const String& name) {
  static const std::map<String, const char*> map = {
      {"\xef\xbc\xad\xef\xbc\xb3 \xef\xbc\xb0\xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf", "IPAPGothic"},  // ＭＳ Ｐゴシック
      {"\xef\xbc\xad\xef\xbc\xb3 \xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf", "IPAGothic"},  // ＭＳ ゴシック
      {"ms pgothic", "IPAPGothic"},
      {"ms gothic", "IPAGothic"},
      {"ms ui gothic", "IPAPGothic"},
      {"ms sans serif", "Liberation Sans"},
      {"microsoft sans serif", "Liberation Sans"},
      {"tahoma", "Liberation Sans"},
      {"arial", "Liberation Sans"},
      {"segoe ui", "Liberation Sans"},
      {"courier new", "Liberation Mono"},
      {"courier", "Liberation Mono"},
      {"times new roman", "Liberation Serif"},
  };
  auto it = map.find(Lower(name));
  return it == map.end() ? nullptr : it->second;
}

constexpr const char* kDefaultFamily = "Liberation Sans";
constexpr const char* kFallbacks[] = {"IPAPGothic", "DejaVu Sans"};

struct Match {
  String file;
  int index = 0;
  String family;
  int weight = FC_WEIGHT_REGULAR;
  int slant = FC_SLANT_ROMAN;
};

bool FcFind(const String& family, bool bold, bool italic, Match& out) {
  if (!fcReady) {
    Start();
    fcReady = FcInit();
  }
  if (!fcReady) return false;
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult res;
  FcPattern* m = FcFontMatch(nullptr, pat, &res);
  FcPatternDestroy(pat);
  if (!m) return false;
  FcChar8* file = nullptr;
  FcChar8* fam = nullptr;
  bool ok = FcPatternGetString(m, FC_FILE, 0, &file) == FcResultMatch;
  if (ok) {
    out.file = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(m, FC_INDEX, 0, &out.index);
    if (FcPatternGetString(m, FC_FAMILY, 0, &fam) == FcResultMatch)
      out.family = reinterpret_cast<const char*>(fam);
    FcPatternGetInteger(m, FC_WEIGHT, 0, &out.weight);
    FcPatternGetInteger(m, FC_SLANT, 0, &out.slant);
  }
  FcPatternDestroy(m);
  return ok;
}

// Whether fontconfig's answer is the family asked for (any of its names).
bool SameFamily(const String& asked, const String& file, int index) {
  FT_Face f = nullptr;
  if (FT_New_Face(Library(), file.c_str(), index, &f) != 0) return false;
  bool same = f->family_name && Lower(f->family_name) == Lower(asked);
  FT_Done_Face(f);
  if (same) return true;
  // fontconfig also knows localised and alternative names.
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FILE, reinterpret_cast<const FcChar8*>(file.c_str()));
  FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* set = FcFontList(nullptr, pat, os);
  bool found = false;
  if (set)
    for (int i = 0; i < set->nfont && !found; ++i) {
      FcChar8* fam = nullptr;
      for (int k = 0; FcPatternGetString(set->fonts[i], FC_FAMILY, k, &fam) == FcResultMatch; ++k)
        if (Lower(reinterpret_cast<const char*>(fam)) == Lower(asked)) found = true;
    }
  if (set) FcFontSetDestroy(set);
  FcObjectSetDestroy(os);
  FcPatternDestroy(pat);
  return found;
}

}  // namespace

struct FaceRef {
  FT_Face face = nullptr;
  ~FaceRef() {
    if (face) FT_Done_Face(face);
  }
};

FontData::~FontData() = default;

const Glyph& FontData::Get(char32_t ch) {
  auto it = cache.find(ch);
  if (it != cache.end()) return it->second;
  Glyph& g = cache[ch];
  FT_Face face = nullptr;
  FT_UInt index = 0;
  for (auto& f : faces) {
    index = FT_Get_Char_Index(f->face, FT_ULong(ch));
    if (index) {
      face = f->face;
      break;
    }
  }
  if (!face) {
    if (faces.empty()) return g;
    face = faces[0]->face;
    index = 0;
  }
  FT_Matrix m{0x10000, 0, 0, 0x10000};
  if (synthItalic) m.xy = 0x3000;  // about 10.6 degrees of slant
  double a = escapement * M_PI / 1800.0;
  bool rotated = escapement % 3600 != 0;
  if (rotated) {
    FT_Fixed c = FT_Fixed(std::cos(a) * 0x10000), s = FT_Fixed(std::sin(a) * 0x10000);
    FT_Matrix r{c, -s, s, c};
    FT_Matrix_Multiply(&r, &m);
  }
  FT_Set_Transform(face, &m, nullptr);
  if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP) != 0) {
    FT_Set_Transform(face, nullptr, nullptr);
    return g;
  }
  FT_GlyphSlot slot = face->glyph;
  if (synthBold && slot->format == FT_GLYPH_FORMAT_OUTLINE) FT_Outline_EmboldenXY(&slot->outline, 64, 0);
  int unrotated = int((slot->linearHoriAdvance + 0x8000) >> 16);
  if (!rotated) unrotated = int((slot->advance.x + 32) >> 6);
  g.advance = unrotated + (synthBold ? 1 : 0);
  g.advX = int(std::lround(g.advance * 64 * std::cos(a)));
  g.advY = -int(std::lround(g.advance * 64 * std::sin(a)));
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
    const FT_Bitmap& bm = slot->bitmap;
    g.w = int(bm.width);
    g.h = int(bm.rows);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.cover.resize(size_t(g.w) * size_t(g.h));
    for (int y = 0; y < g.h; ++y)
      std::memcpy(&g.cover[size_t(y) * size_t(g.w)], bm.buffer + ptrdiff_t(y) * bm.pitch, size_t(g.w));
  }
  FT_Set_Transform(face, nullptr, nullptr);
  return g;
}

namespace {
std::unique_ptr<FaceRef> OpenFace(const Match& m, int em) {
  auto ref = std::make_unique<FaceRef>();
  if (FT_New_Face(Library(), m.file.c_str(), m.index, &ref->face) != 0) return nullptr;
  FT_Set_Pixel_Sizes(ref->face, 0, FT_UInt(std::max(1, em)));
  return ref;
}
}  // namespace

std::shared_ptr<FontData> Resolve(const LOGFONT& lf) {
  auto& resolved = Resolved();
  String name(lf.lfFaceName, strnlen(lf.lfFaceName, sizeof(lf.lfFaceName)));
  bool bold = lf.lfWeight >= FW_SEMIBOLD;
  bool italic = lf.lfItalic != 0;
  String key = name + "|" + std::to_string(lf.lfCharSet) + "|" + std::to_string(lf.lfHeight) + "|" + std::to_string(bold) +
               std::to_string(italic) + std::to_string(lf.lfUnderline != 0) +
               std::to_string(lf.lfStrikeOut != 0) + "|" + std::to_string(lf.lfEscapement);
  auto it = resolved.find(key);
  if (it != resolved.end())
    if (auto sp = it->second.lock()) return sp;

  auto fd = std::make_shared<FontData>();
  String family = kDefaultFamily;
  int height = lf.lfHeight;
  if (const char* mapped = MappedFamily(name)) {
    family = mapped;
  } else {
    Match probe;
    if (!name.empty() && FcFind(name, false, false, probe) && SameFamily(name, probe.file, probe.index))
      family = name;
    else if (lf.lfCharSet == SHIFTJIS_CHARSET)
      family = "IPAPGothic";  // a Japanese character set asks for a Japanese font
  }
  if (height == 0) height = -11;
  Match m;
  if (!FcFind(family, bold, italic, m) && !FcFind(kDefaultFamily, bold, italic, m) &&
      !FcFind("sans-serif", bold, italic, m))
    return fd;  // no font at all: text measures as nothing
  fd->family = m.family;
  fd->synthBold = bold && m.weight < FC_WEIGHT_DEMIBOLD;
  fd->synthItalic = italic && m.slant == FC_SLANT_ROMAN;
  fd->underline = lf.lfUnderline != 0;
  fd->strike = lf.lfStrikeOut != 0;
  fd->escapement = lf.lfEscapement;

  // Open once at a nominal size to learn the face's vertical metrics in font units.
  auto probe = OpenFace(m, 100);
  if (!probe) return fd;
  FT_Face f = probe->face;
  double upem = f->units_per_EM ? f->units_per_EM : 1000;
  double asc = f->ascender, desc = -f->descender, gap = 0;
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2))) {
    if (os2->usWinAscent + os2->usWinDescent > 0) {
      asc = os2->usWinAscent;
      desc = os2->usWinDescent;
    }
  }
  if (auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(f, FT_SFNT_HHEA)))
    gap = std::max(0.0, double(hhea->Line_Gap));
  // Negative heights give the em; positive heights the cell (ascent + descent).
  int em = height < 0 ? -height : int(std::lround(height * upem / (asc + desc)));
  em = std::clamp(em, 1, 2000);
  fd->em = em;
  fd->faces.push_back(OpenFace(m, em));
  if (!fd->faces.back()) {
    fd->faces.clear();
    return fd;
  }
  for (const char* fb : kFallbacks) {
    Match fm;
    if (FcFind(fb, bold, italic, fm) && fm.file != m.file)
      if (auto ref = OpenFace(fm, em)) fd->faces.push_back(std::move(ref));
  }
  TEXTMETRIC& tm = fd->tm;
  tm.tmAscent = int(std::ceil(asc * em / upem - 0.01));
  tm.tmDescent = int(std::ceil(desc * em / upem - 0.01));
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max(0, tm.tmHeight - em);
  tm.tmExternalLeading = int(std::lround(gap * em / upem));
  tm.tmWeight = bold ? FW_BOLD : FW_NORMAL;
  tm.tmItalic = italic;
  tm.tmUnderlined = fd->underline;
  tm.tmStruckOut = fd->strike;
  tm.tmOverhang = fd->synthBold ? 1 : 0;
  tm.tmCharSet = lf.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : lf.lfCharSet;
  bool fixed = FT_IS_FIXED_WIDTH(fd->faces[0]->face);
  // The platform's flag is set for variable pitch fonts; only faces with TrueType outlines
  // claim TrueType (not Type 1, CFF-outlined OpenType or bitmap faces).
  const char* format = FT_Get_Font_Format(fd->faces[0]->face);
  const bool trueType = format && std::strcmp(format, "TrueType") == 0;
  tm.tmPitchAndFamily = BYTE((fixed ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | (trueType ? TMPF_TRUETYPE : 0));
  FT_Face pf = fd->faces[0]->face;
  int underPos = int(std::lround(-double(pf->underline_position) * em / upem));
  int underThick = int(std::lround(double(pf->underline_thickness) * em / upem));
  fd->underlinePos = std::clamp(underPos, 1, std::max(1, tm.tmDescent));
  fd->underlineThick = std::max(1, underThick);
  fd->strikePos = std::max(1, tm.tmAscent / 3);
  int xw = fd->Get(U'x').advance;
  tm.tmAveCharWidth = xw > 0 ? xw : std::max(1, em / 2);
  tm.tmMaxCharWidth = std::max(tm.tmAveCharWidth, int(std::ceil(double(pf->max_advance_width) * em / upem)));
  resolved[key] = fd;
  return fd;
}

FontData* FontOf(HDC__* dc) {
  HFONT__* f = dc->s.font;
  if (!f) return nullptr;
  if (!f->data) f->data = Resolve(f->lf);
  return f->data.get();
}

char32_t NextChar(const char* s, size_t n, size_t& i) {
  auto b = [&](size_t k) { return uint8_t(s[k]); };
  uint8_t c = b(i);
  if (c < 0x80) {
    ++i;
    return c;
  }
  int len = c >= 0xF0 && c < 0xF8 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
  if (len == 0 || i + size_t(len) > n) {
    ++i;
    return 0xFFFD;
  }
  char32_t v = c & (0xFF >> (len + 1));
  for (int k = 1; k < len; ++k) {
    uint8_t d = b(i + size_t(k));
    if ((d & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    v = (v << 6) | (d & 0x3F);
  }
  if ((len == 3 && v < 0x800) || (len == 4 && (v < 0x10000 || v > 0x10FFFF)) || (v >= 0xD800 && v < 0xE000)) {
    ++i;
    return 0xFFFD;
  }
  i += size_t(len);
  return v;
}

}  // namespace gdi

using namespace gdi;

BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm) {
  HDC__* dc = Dc(hdc);
  if (!dc || !tm) return FALSE;
  FontData* f = FontOf(dc);
  if (!f) return FALSE;
  *tm = f->tm;
  return TRUE;
}

int GetTextFace(HDC hdc, int count, char* name) {
  HDC__* dc = Dc(hdc);
  if (!dc || !dc->s.font) return 0;
  const char* face = dc->s.font->lf.lfFaceName;
  int len = int(strnlen(face, sizeof(dc->s.font->lf.lfFaceName)));
  if (!name) return len + 1;
  if (count <= 0) return 0;
  int n = std::min(len, count - 1);
  std::memcpy(name, face, size_t(n));
  name[n] = 0;
  return n;
}

String GetFontFamilyName(HFONT h) {
  HFONT__* f = Font(h);
  if (!f) return {};
  if (!f->data) f->data = Resolve(f->lf);
  return f->data->family;
}
