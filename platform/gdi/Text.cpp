// Text output and measurement: extents, ExtTextOut and DrawText with the platform's format
// flags (alignment, line and word breaks, tabs, prefixes, ellipses, measuring, clipping).
#include <algorithm>
#include <cmath>
#include <cstring>

#include "gdi/FontsInternal.h"

namespace gdi {
namespace {

struct Run {
  std::vector<char32_t> chars;
  std::vector<size_t> offsets;  // byte offset of each character
};

Run Decode(const char* s, size_t n) {
  Run r;
  size_t i = 0;
  while (i < n) {
    r.offsets.push_back(i);
    r.chars.push_back(NextChar(s, n, i));
  }
  return r;
}

int CharWidth(FontData* f, HDC__* dc, char32_t c) {
  if (c == '\r' || c == '\n') return 0;
  return f->Get(c).advance + dc->s.charExtra;
}

// Width of text with tabs expanded to stops every tabWidth pixels from the line start
// (tabWidth 0: a tab is an ordinary character).
int TextWidth(FontData* f, HDC__* dc, const String& s, int tabWidth) {
  int x = 0;
  size_t i = 0;
  while (i < s.size()) {
    char32_t c = NextChar(s.data(), s.size(), i);
    if (c == '\t' && tabWidth > 0)
      x = (x / tabWidth + 1) * tabWidth;
    else
      x += CharWidth(f, dc, c);
  }
  return x;
}

// Blends one glyph's coverage in the colour at surface position (pen x, baseline y).
void BlitGlyph(HDC__* dc, const Glyph& g, int penX, int baseY, uint32_t color, const Region& clip,
               bool mono) {
  if (g.w == 0 || g.h == 0) return;
  RECT gr(penX + g.left, baseY - g.top, penX + g.left + g.w, baseY - g.top + g.h);
  Region area(gr);
  area.Intersect(clip);
  TSurface* s = Target(dc);
  int n = 0;
  const pixman_box32_t* boxes = area.Boxes(&n);
  uint32_t cr = (color >> 16) & 0xFF, cg = (color >> 8) & 0xFF, cb = color & 0xFF;
  for (int k = 0; k < n; ++k)
    for (int y = boxes[k].y1; y < boxes[k].y2; ++y) {
      const uint8_t* cov = &g.cover[size_t(y - gr.Top) * size_t(g.w)];
      uint32_t* row = s->Row(y);
      for (int x = boxes[k].x1; x < boxes[k].x2; ++x) {
        uint32_t a = cov[x - gr.Left];
        if (a == 0) continue;
        uint32_t& d = row[x];
        if (mono) {
          if (a >= 128) d = color;
          continue;
        }
        if (a == 255) {
          d = color;
          continue;
        }
        uint32_t dr = (d >> 16) & 0xFF, dg = (d >> 8) & 0xFF, db = d & 0xFF;
        dr = (cr * a + dr * (255 - a) + 127) / 255;
        dg = (cg * a + dg * (255 - a) + 127) / 255;
        db = (cb * a + db * (255 - a) + 127) / 255;
        d = (dr << 16) | (dg << 8) | db;
      }
    }
}

struct Underline {
  size_t byte;  // offset of the underlined character in the drawn string
};

// Draws a string with its left edge at surface x and its cell top at surface y (unrotated) or
// from the baseline origin (rotated); returns the advance. Tabs expand with tabWidth.
// Characters whose byte offsets are in underlined get a prefix underline.
int DrawString(HDC__* dc, FontData* f, int sx, int sy, const String& s, const int* dx,
               const Region& clip, int tabWidth, const std::vector<size_t>& underlined,
               bool drawGlyphs = true) {
  uint32_t color = DevicePixel(dc, dc->s.textColor);
  bool mono = IsMono(dc);
  const TEXTMETRIC& tm = f->tm;
  if (f->escapement % 3600 != 0) {
    // Rotated text: glyphs along the rotated baseline from the cell's top-left corner.
    double a = f->escapement * M_PI / 1800.0;
    double px = sx + tm.tmAscent * std::sin(a), py = sy + tm.tmAscent * std::cos(a);
    int64_t fx = int64_t(std::lround(px * 64)), fy = int64_t(std::lround(py * 64));
    size_t i = 0;
    int total = 0;
    while (i < s.size()) {
      char32_t c = NextChar(s.data(), s.size(), i);
      const Glyph& g = f->Get(c);
      if (drawGlyphs) BlitGlyph(dc, g, int((fx + 32) >> 6), int((fy + 32) >> 6), color, clip, mono);
      fx += g.advX;
      fy += g.advY;
      total += g.advance + dc->s.charExtra;
    }
    return total;
  }
  int base = sy + tm.tmAscent;
  int x = sx;
  size_t i = 0, k = 0;
  auto line = [&](int x0, int x1, int y0, int thick) {
    Paint p;
    p.color = color;
    Region r(RECT(x0, y0, x1, y0 + thick));
    r.Intersect(clip);
    FillRegionRop2(Target(dc), r, p, R2_COPYPEN);
  };
  while (i < s.size()) {
    size_t at = i;
    char32_t c = NextChar(s.data(), s.size(), i);
    int adv;
    if (c == '\t' && tabWidth > 0) {
      adv = ((x - sx) / tabWidth + 1) * tabWidth - (x - sx);
    } else {
      const Glyph& g = f->Get(c);
      if (drawGlyphs && c >= 0x20) BlitGlyph(dc, g, x, base, color, clip, mono);
      adv = dx ? dx[k] : CharWidth(f, dc, c);
    }
    if (std::find(underlined.begin(), underlined.end(), at) != underlined.end())
      line(x, x + adv, base + f->underlinePos, f->underlineThick);
    x += adv;
    ++k;
  }
  if (drawGlyphs && f->underline) line(sx, x, base + f->underlinePos, f->underlineThick);
  if (drawGlyphs && f->strike) line(sx, x, base - f->strikePos, f->underlineThick);
  return x - sx;
}

// Per-character advances with tab stops (every `every` pixels, or at `stops` counted from
// `origin`; past the last stop a tab is as wide as a space) and the DC's justification.
std::vector<int> Advances(FontData* f, HDC__* dc, const String& s, int startX, int every,
                          const int* stops, int nStops, int origin) {
  std::vector<int> adv;
  int spaces = 0;
  for (char ch : s) spaces += ch == ' ';
  int extra = dc->s.justCount > 0 ? dc->s.justExtra : 0;
  int given = 0, seen = 0;
  int x = startX;
  size_t i = 0;
  while (i < s.size()) {
    char32_t c = NextChar(s.data(), s.size(), i);
    int a;
    if (c == '\t' && (every > 0 || nStops > 0)) {
      int rel = x - origin;
      if (every > 0) {
        a = (rel / every + 1) * every - rel;
      } else {
        a = -1;
        for (int k = 0; k < nStops; ++k) {
          int stop = stops[k] < 0 ? -stops[k] : stops[k];
          if (stop > rel) {
            a = stop - rel;
            break;
          }
        }
        if (a < 0) a = CharWidth(f, dc, ' ');
      }
    } else {
      a = CharWidth(f, dc, c);
    }
    if (c == ' ' && extra && spaces) {
      // The extra pixels go to the spaces as evenly as whole pixels allow.
      ++seen;
      int share = int(int64_t(extra) * seen / spaces) - given;
      given += share;
      a += share;
    }
    adv.push_back(a);
    x += a;
  }
  return adv;
}

int Sum(const std::vector<int>& v) {
  int t = 0;
  for (int a : v) t += a;
  return t;
}

}  // namespace
}  // namespace gdi

using namespace gdi;

BOOL GetTextExtentPoint32(HDC hdc, const char* text, int count, SIZE* size) {
  HDC__* dc = Dc(hdc);
  if (!dc || !size || count < -1 || (!text && count != 0)) return FALSE;
  FontData* f = FontOf(dc);
  if (!f) return FALSE;
  size_t n = count < 0 ? std::strlen(text) : size_t(count);
  String s(text ? text : "", n);
  *size = {Sum(Advances(f, dc, s, 0, 0, nullptr, 0, 0)), f->tm.tmHeight};
  return TRUE;
}

BOOL GetTextExtentExPoint(HDC hdc, const char* text, int count, int maxExtent, int* fit, int* dx,
                          SIZE* size) {
  HDC__* dc = Dc(hdc);
  if (!dc || count < -1 || (!text && count != 0)) return FALSE;
  FontData* f = FontOf(dc);
  if (!f) return FALSE;
  size_t n = count < 0 ? std::strlen(text) : size_t(count);
  Run r = Decode(text ? text : "", n);
  int x = 0, fits = 0;
  bool stop = false;
  for (size_t i = 0; i < r.chars.size(); ++i) {
    x += CharWidth(f, dc, r.chars[i]);
    if (dx) dx[i] = x;
    if (!stop && (maxExtent < 0 || x <= maxExtent))
      fits = int(i + 1);
    else
      stop = true;
  }
  if (fit) *fit = fits;
  if (size) *size = {x, f->tm.tmHeight};
  return TRUE;
}

LONG TabbedTextOut(HDC hdc, int x, int y, const char* text, int count, int nTabs, const int* tabs,
                   int tabOrigin) {
  HDC__* dc = Dc(hdc);
  if (!dc || count < 0 || (!text && count > 0) || (nTabs > 0 && !tabs)) return 0;
  FontData* f = FontOf(dc);
  if (!f) return 0;
  String s(text ? text : "", size_t(count));
  int every = nTabs == 0 ? 8 * f->tm.tmAveCharWidth : nTabs == 1 ? std::abs(tabs[0]) : 0;
  std::vector<int> adv = Advances(f, dc, s, x, every, nTabs > 1 ? tabs : nullptr, nTabs > 1 ? nTabs : 0, tabOrigin);
  ExtTextOut(hdc, x, y, 0, nullptr, s.c_str(), UINT(s.size()), adv.data());
  return LONG(MAKELONG(WORD(Sum(adv)), WORD(f->tm.tmHeight)));
}

DWORD GetTabbedTextExtent(HDC hdc, const char* text, int count, int nTabs, const int* tabs) {
  HDC__* dc = Dc(hdc);
  if (!dc || count < 0 || (!text && count > 0) || (nTabs > 0 && !tabs)) return 0;
  FontData* f = FontOf(dc);
  if (!f) return 0;
  String s(text ? text : "", size_t(count));
  int every = nTabs == 0 ? 8 * f->tm.tmAveCharWidth : nTabs == 1 ? std::abs(tabs[0]) : 0;
  int w = Sum(Advances(f, dc, s, 0, every, nTabs > 1 ? tabs : nullptr, nTabs > 1 ? nTabs : 0, 0));
  return MAKELONG(WORD(w), WORD(f->tm.tmHeight));
}

BOOL SetTextJustification(HDC hdc, int breakExtra, int breakCount) {
  HDC__* dc = Dc(hdc);
  if (!dc) return FALSE;
  dc->s.justExtra = breakCount > 0 ? breakExtra : 0;
  dc->s.justCount = breakCount > 0 ? breakCount : 0;
  return TRUE;
}

BOOL TextOut(HDC hdc, int x, int y, const char* text, int count) {
  return ExtTextOut(hdc, x, y, 0, nullptr, text, UINT(count < 0 ? 0 : count), nullptr);
}

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* r, const char* text, UINT count,
                const int* dx) {
  HDC__* dc = Dc(hdc);
  if (!dc || !Target(dc) || (!text && count > 0)) return FALSE;
  FontData* f = FontOf(dc);
  if (!f) return FALSE;
  String s(text ? text : "", count);
  Region clip = EffectiveClip(dc);
  if (r && (options & (ETO_OPAQUE | ETO_CLIPPED))) {
    RECT sr = ToSurface(dc, *r);
    if (options & ETO_OPAQUE) {
      Paint bk;
      bk.color = DevicePixel(dc, dc->s.bkColor);
      FillRectRop2(dc, sr, bk, R2_COPYPEN);
    }
    if (options & ETO_CLIPPED) clip.IntersectRect(sr);
  }
  if (s.empty()) return TRUE;
  int width = 0;
  std::vector<int> own;
  if (dx) {
    Run run = Decode(s.data(), s.size());
    for (size_t i = 0; i < run.chars.size(); ++i) width += dx[i];
  } else {
    own = Advances(f, dc, s, 0, 0, nullptr, 0, 0);
    width = Sum(own);
    dx = own.data();
  }
  UINT align = dc->s.textAlign;
  if (align & TA_UPDATECP) {
    x = dc->s.cur.X;
    y = dc->s.cur.Y;
  }
  int left = x;
  if ((align & TA_CENTER) == TA_CENTER)
    left = x - width / 2;
  else if (align & TA_RIGHT)
    left = x - width;
  int top = y;
  if ((align & TA_BASELINE) == TA_BASELINE)
    top = y - f->tm.tmAscent;
  else if (align & TA_BOTTOM)
    top = y - f->tm.tmHeight;
  if (align & TA_UPDATECP) {
    if ((align & TA_CENTER) == TA_CENTER) {
    } else if (align & TA_RIGHT) {
      dc->s.cur.X = x - width;
    } else {
      dc->s.cur.X = x + width;
    }
  }
  int sx = SX(dc, left), sy = SY(dc, top);
  if (dc->s.bkMode == OPAQUE && f->escapement % 3600 == 0) {
    Paint bk;
    bk.color = DevicePixel(dc, dc->s.bkColor);
    Region cell(RECT(sx, sy, sx + width, sy + f->tm.tmHeight));
    cell.Intersect(clip);
    FillRegionRop2(Target(dc), cell, bk, R2_COPYPEN);
  }
  DrawString(dc, f, sx, sy, s, dx, clip, 0, {});
  return TRUE;
}

// ---- DrawText ------------------------------------------------------------------------------

namespace {

bool IsWide(char32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF00 && c <= 0xFF60) || (c >= 0x20000 && c <= 0x3FFFF) || (c >= 0x3000 && c <= 0x30FF);
}

struct Line {
  String text;
  std::vector<size_t> underlined;  // byte offsets in text
};

struct Layout {
  FontData* f;
  HDC__* dc;
  int tab;
  int Width(const String& s) const { return TextWidth(f, dc, s, tab); }
};

// Removes prefix characters: "&x" underlines x, "&&" is one "&".
String StripPrefixes(const String& s, std::vector<size_t>& underlined) {
  String out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&') {
      if (i + 1 < s.size() && s[i + 1] == '&') {
        out += '&';
        ++i;
        continue;
      }
      if (i + 1 < s.size()) underlined.push_back(out.size());
      continue;
    }
    out += s[i];
  }
  return out;
}

bool IsSpace(char32_t c) { return c == ' ' || c == '\t'; }

// A line may end before c when it follows spaces, or next to a wide (CJK) character.
bool BreakBefore(char32_t prev, char32_t c, bool cjk) {
  return (IsSpace(prev) && !IsSpace(c)) || (cjk && (IsWide(c) || IsWide(prev)));
}

// The advance of c at x (tabs run to the next stop, counted from the line start).
int Advance(const Layout& L, char32_t c, int x) {
  if (c == '\t' && L.tab > 0) return (x / L.tab + 1) * L.tab - x;
  return CharWidth(L.f, L.dc, c);
}

String TrimRightSpaces(String s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
  return s;
}

// The longest prefix (in whole characters) of s no wider than width, in bytes.
size_t FitChars(const Layout& L, const String& s, int width, bool atLeastOne) {
  size_t i = 0;
  int x = 0;
  while (i < s.size()) {
    size_t next = i;
    char32_t c = NextChar(s.data(), s.size(), next);
    int nx = x + Advance(L, c, x);
    if (nx > width) break;
    x = nx;
    i = next;
  }
  if (i == 0 && atLeastOne && !s.empty()) NextChar(s.data(), s.size(), i);
  return i;
}

// Splits one paragraph into lines no wider than width where break opportunities allow; a
// word wider than the line is split only with splitWords. Spaces at a break are dropped.
void WrapParagraph(const Layout& L, const String& para, int width, bool splitWords, bool cjk,
                   std::vector<String>& out) {
  const size_t n = para.size();
  size_t pos = 0;
  while (true) {
    int x = 0;
    size_t i = pos, fitEnd = pos, lastBreak = 0;
    char32_t prev = 0;
    bool overflow = false;
    while (i < n) {
      size_t at = i;
      char32_t c = NextChar(para.data(), n, i);
      if (at > pos && BreakBefore(prev, c, cjk)) lastBreak = at;
      int nx = x + Advance(L, c, x);
      prev = c;
      if (IsSpace(c)) {
        x = nx;  // trailing spaces never make a line too wide
        continue;
      }
      if (nx > width) {
        overflow = true;
        i = at;
        break;
      }
      x = nx;
      fitEnd = i;
    }
    if (!overflow) {
      out.push_back(TrimRightSpaces(para.substr(pos)));
      return;
    }
    size_t cut = lastBreak;
    if (cut <= pos) {
      if (splitWords) {
        cut = fitEnd > pos ? fitEnd : i;
        if (cut == pos) NextChar(para.data(), n, cut);
      } else {
        // The word runs on to its end.
        size_t k = i;
        char32_t p = prev;
        cut = n;
        while (k < n) {
          size_t at = k;
          char32_t c = NextChar(para.data(), n, k);
          if (at > i && BreakBefore(p, c, cjk)) {
            cut = at;
            break;
          }
          p = c;
        }
      }
    }
    out.push_back(TrimRightSpaces(para.substr(pos, cut - pos)));
    pos = cut;
    while (pos < n && para[pos] == ' ') ++pos;
    if (pos >= n) return;
  }
}

const char* kEllipsis = "...";

String EndEllipsis(const Layout& L, const String& s, int width, bool atWord) {
  if (L.Width(s) <= width) return s;
  int avail = width - L.Width(kEllipsis);
  size_t keep = avail > 0 ? FitChars(L, s, avail, false) : 0;
  if (atWord) {
    size_t sp = s.rfind(' ', keep);
    if (sp != String::npos && sp > 0 && keep < s.size()) keep = sp;
  }
  return s.substr(0, keep) + kEllipsis;
}

String PathEllipsis(const Layout& L, const String& s, int width) {
  if (L.Width(s) <= width) return s;
  size_t sep = s.find_last_of("\\/");
  if (sep == String::npos) return EndEllipsis(L, s, width, false);
  String tail = s.substr(sep);
  String head = s.substr(0, sep);
  int avail = width - L.Width(kEllipsis) - L.Width(tail);
  size_t keep = avail > 0 ? FitChars(L, head, avail, false) : 0;
  return head.substr(0, keep) + kEllipsis + tail;
}

}  // namespace

int DrawText(HDC hdc, const char* text, int count, RECT* r, UINT fmt) {
  HDC__* dc = Dc(hdc);
  if (!dc || !r || count < -1 || (!text && count != 0)) return 0;
  FontData* f = FontOf(dc);
  if (!f) return 0;
  size_t n = count < 0 ? std::strlen(text) : size_t(count);
  String all(text ? text : "", n);
  int tabChars = 8;
  if (fmt & DT_TABSTOP) {
    tabChars = int((fmt >> 8) & 0xFF);
    fmt &= ~0xFF00u;
    if (tabChars == 0) tabChars = 8;
  }
  const TEXTMETRIC& tm = f->tm;
  Layout L{f, dc, (fmt & DT_EXPANDTABS) ? tabChars * tm.tmAveCharWidth : 0};
  int lineH = tm.tmHeight + ((fmt & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
  bool calc = fmt & DT_CALCRECT;
  if (all.empty()) {
    if (calc) {
      r->Right = r->Left;
      r->Bottom = r->Top;
    }
    return 0;
  }
  bool single = fmt & DT_SINGLELINE;
  int width = r->Right - r->Left;

  // Prefixes, then paragraphs, then wrapping and ellipses.
  std::vector<size_t> marks;
  bool prefixes = !(fmt & DT_NOPREFIX);
  String body = prefixes ? StripPrefixes(all, marks) : all;
  if (!prefixes || (fmt & DT_HIDEPREFIX)) marks.clear();

  std::vector<std::pair<size_t, String>> paras;  // start offset in body, text
  if (single) {
    String s;
    for (char c : body)
      if (c != '\r' && c != '\n') s += c;
    paras.push_back({0, s});
    if (s.size() != body.size()) marks.clear();
  } else {
    size_t start = 0;
    for (size_t i = 0; i <= body.size(); ++i) {
      if (i == body.size() || body[i] == '\r' || body[i] == '\n') {
        paras.push_back({start, body.substr(start, i - start)});
        if (i < body.size() && body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') ++i;
        start = i + 1;
      }
    }
  }

  std::vector<Line> lines;
  bool wrap = (fmt & DT_WORDBREAK) && !single;
  bool cjk = !(fmt & DT_NOFULLWIDTHCHARBREAK);
  for (auto& [start, para] : paras) {
    std::vector<String> pieces;
    if (wrap)
      WrapParagraph(L, para, std::max(width, 0), (fmt & DT_EDITCONTROL) != 0, cjk, pieces);
    else
      pieces.push_back(para);
    // Map prefix marks onto the pieces (pieces are consecutive substrings of the paragraph,
    // with spaces removed only at their ends).
    size_t search = 0;
    for (String& piece : pieces) {
      size_t at = para.find(piece, search);
      if (at == String::npos) at = search;
      Line ln;
      ln.text = piece;
      for (size_t m : marks)
        if (m >= start + at && m < start + at + piece.size()) ln.underlined.push_back(m - start - at);
      search = at + piece.size();
      lines.push_back(std::move(ln));
    }
  }

  UINT ellipsis = fmt & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS);
  if (ellipsis) {
    for (Line& ln : lines) {
      String before = ln.text;
      if (fmt & DT_PATH_ELLIPSIS) ln.text = PathEllipsis(L, ln.text, width);
      if (fmt & DT_END_ELLIPSIS) ln.text = EndEllipsis(L, ln.text, width, false);
      if (fmt & DT_WORD_ELLIPSIS) ln.text = EndEllipsis(L, ln.text, width, true);
      if (ln.text != before) {
        // Marks after the cut point no longer apply.
        std::vector<size_t> kept;
        size_t common = 0;
        while (common < before.size() && common < ln.text.size() && before[common] == ln.text[common]) ++common;
        for (size_t m : ln.underlined)
          if (m < common) kept.push_back(m);
        ln.underlined = kept;
      }
    }
    if ((fmt & DT_MODIFYSTRING) && text && !lines.empty() && single) {
      String out = lines[0].text;
      size_t room = n + 4;
      std::memcpy(const_cast<char*>(text), out.c_str(), std::min(room, out.size() + 1));
    }
  }

  // Wrapped text taller than the rectangle: the last line shown ends in an ellipsis.
  if (wrap && !calc && (fmt & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS)) && lineH > 0) {
    int rows = r->Bottom - r->Top;
    size_t visible = size_t(std::max(1, (fmt & DT_EDITCONTROL) ? rows / lineH : (rows + lineH - 1) / lineH));
    if (lines.size() > visible) {
      Line& last = lines[visible - 1];
      bool atWord = (fmt & DT_WORD_ELLIPSIS) != 0;
      // The line shortened until it and the ellipsis fit.
      const String& cut = last.text;
      int avail = width - L.Width(kEllipsis);
      size_t keep = avail > 0 ? FitChars(L, cut, avail, false) : 0;
      if (atWord && keep < cut.size()) {
        size_t sp = cut.rfind(' ', keep);
        if (sp != String::npos && sp > 0) keep = sp;
      }
      String shown = TrimRightSpaces(cut.substr(0, keep)) + kEllipsis;
      last.text = shown;
      std::vector<size_t> kept;
      for (size_t m : last.underlined)
        if (m + 3 < shown.size()) kept.push_back(m);
      last.underlined = kept;
      lines.resize(visible);
    }
  }

  int maxW = 0;
  for (const Line& ln : lines) maxW = std::max(maxW, L.Width(ln.text));
  int total = int(lines.size()) * lineH;

  if (calc) {
    r->Right = r->Left + maxW;
    r->Bottom = r->Top + total;
    return total;
  }

  int y = r->Top;
  if (single) {
    if (fmt & DT_VCENTER)
      y = r->Top + (r->Bottom - r->Top - lineH) / 2;
    else if (fmt & DT_BOTTOM)
      y = r->Bottom - lineH;
  }
  Region clip = EffectiveClip(dc);
  if (!(fmt & DT_NOCLIP)) clip.IntersectRect(ToSurface(dc, *r));
  bool prefixOnly = fmt & DT_PREFIXONLY;
  int ly = y;
  for (size_t i = 0; i < lines.size(); ++i, ly += lineH) {
    // An edit control shows no partly visible last line.
    if ((fmt & DT_EDITCONTROL) && i > 0 && ly + lineH > r->Bottom) break;
    const Line& ln = lines[i];
    int w = L.Width(ln.text);
    int x = r->Left;
    if (fmt & DT_CENTER)
      x = r->Left + (width - w) / 2;
    else if (fmt & DT_RIGHT)
      x = r->Right - w;
    int sx = SX(dc, x), sy = SY(dc, ly);
    if (dc->s.bkMode == OPAQUE && !prefixOnly) {
      Paint bk;
      bk.color = DevicePixel(dc, dc->s.bkColor);
      Region cell(RECT(sx, sy, sx + w, sy + tm.tmHeight));
      cell.Intersect(clip);
      FillRegionRop2(Target(dc), cell, bk, R2_COPYPEN);
    }
    DrawString(dc, f, sx, sy, ln.text, nullptr, clip, L.tab, ln.underlined, !prefixOnly);
  }
  if (single && (fmt & (DT_VCENTER | DT_BOTTOM))) return y - r->Top + lineH;
  return total;
}
