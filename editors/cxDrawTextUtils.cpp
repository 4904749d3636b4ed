#include "editors/cxDrawTextUtils.h"

#include <algorithm>

#include "foundation/cxGraphics.h"
#include "gdi/Gdi.h"
#include "rtl/SysUtils.h"

namespace {

constexpr char kEllipsis[] = "...";

bool IsJustified(const TcxTextLayoutParams& p) {
  return p.HorzAlignment == tofJustify || p.HorzAlignment == tofDistribute;
}

bool IsBreak(const TcxTextLayoutParams& p, char c) {
  return c == '\t' || (p.BreakChar < 0x80 && c == char(p.BreakChar));
}

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// Bytes of the UTF-8 character starting at s[i] (1 for an invalid byte), never past n.
size_t CharBytes(const char* s, size_t i, size_t n) { return Utf8SequenceLength(std::string_view(s, n), i); }

Integer CountChars(const char* s, size_t n) {
  Integer count = 0;
  for (size_t i = 0; i < n; i += CharBytes(s, i, n)) ++count;
  return count;
}

// The byte length of the first `chars` characters of s[0..n).
size_t BytesOfChars(const char* s, size_t n, Integer chars) {
  size_t i = 0;
  for (Integer k = 0; k < chars && i < n; ++k) i += CharBytes(s, i, n);
  return i;
}

Integer MeasureRun(HDC dc, const TcxTextLayoutParams& p, const char* s, size_t n) {
  if (n == 0) return 0;
  if (p.ExpandTabs) return LOWORD(GetTabbedTextExtent(dc, s, int(n), 0, nullptr));
  SIZE size{};
  GetTextExtentPoint32(dc, s, int(n), &size);
  return size.cx;
}

// The first character of s[0..n) at which the width passes max_width: its byte offset, or n
// when everything fits. Measures only about as much as the row holds, never the rest of the
// paragraph.
// widths, when given, receives the width of each prefix measured (without expand tabs).
size_t FindOverflow(HDC dc, const TcxTextLayoutParams& p, const char* s, size_t n,
                    Integer max_width, std::vector<Integer>* widths = nullptr) {
  if (widths) widths->clear();
  if (n == 0) return 0;
  if (p.ExpandTabs) {
    // Tab stops depend on the whole prefix: search prefix lengths, exponentially then binary.
    std::vector<size_t> ends;  // byte end of each character, grown on demand
    size_t fit_end = 0;
    size_t probe = 1;
    auto end_of = [&](size_t chars) {
      size_t i = ends.empty() ? 0 : ends.back();
      while (ends.size() < chars && i < n) {
        i += CharBytes(s, i, n);
        ends.push_back(i);
      }
      return ends[std::min(chars, ends.size()) - 1];
    };
    size_t lo = 0, hi = 0;  // lo chars fit; hi chars overflow (0: unknown)
    while (true) {
      const size_t e = end_of(probe);
      if (MeasureRun(dc, p, s, e) > max_width) {
        hi = std::min(probe, ends.size());
        break;
      }
      lo = std::min(probe, ends.size());
      fit_end = e;
      if (e >= n) return n;
      probe *= 2;
    }
    while (hi - lo > 1) {
      const size_t mid = (lo + hi) / 2;
      if (MeasureRun(dc, p, s, end_of(mid)) > max_width) hi = mid;
      else lo = mid;
    }
    (void)fit_end;
    return lo == 0 ? 0 : end_of(lo);
  }
  // Measure chunk by chunk from where the last one ended: widths add up character by
  // character, so each character is measured once.
  const Integer ave = std::max<Integer>(1, p.AveCharWidth);
  size_t chunk = size_t(std::max<Integer>(16, max_width / ave + 16));
  size_t start = 0;
  Integer width = 0;
  if (widths) widths->clear();
  thread_local std::vector<int> dx;
  while (start < n) {
    size_t w = std::min(start + chunk, n);
    while (w < n && (static_cast<unsigned char>(s[w]) & 0xC0) == 0x80) ++w;
    dx.resize(w - start);
    int fit = 0;
    SIZE size{};
    GetTextExtentExPoint(dc, s + start, int(w - start), max_width - width, &fit, dx.data(), &size);
    const Integer chars = CountChars(s + start, w - start);
    if (widths)
      for (Integer k = 0; k < chars; ++k) widths->push_back(width + dx[size_t(k)]);
    if (size.cx > max_width - width) return start + BytesOfChars(s + start, w - start, fit);
    width += size.cx;
    start = w;
    // The next chunk holds about what the remaining width takes.
    chunk = size_t(std::max<Integer>(16, (max_width - width) / ave + 16));
  }
  return n;
}

// Breaks one row starting at byte `pos`; returns the byte position of the next row.
// line_break: the position of the first CR or LF at or after pos (the text's size when there
// is none); the caller keeps it so that a long paragraph is scanned once, not once per row.
size_t BreakTextRow(HDC dc, const String& text, size_t pos, size_t line_break, Integer max_width,
                    bool last_row, const TcxTextLayoutParams& p, TcxTextRow& row) {
  const char* s = text.data();
  const size_t n = text.size();
  const bool wrap = !p.SingleLine && (p.WordBreak || IsJustified(p));
  const bool char_wrap = wrap && p.CharBreak;
  const bool ellipsis_cut =
      last_row && p.EndEllipsis && !IsJustified(p) && !p.CompleteRowsOnly && !p.NoClip;
  // The end of the paragraph: line breaks are ordinary characters in a single line.
  const size_t line_end = p.SingleLine ? n : line_break;
  size_t row_end = line_end;
  thread_local std::vector<Integer> widths;
  widths.clear();
  if (wrap || ellipsis_cut || p.SingleLine) {
    const size_t over = pos + FindOverflow(dc, p, s + pos, line_end - pos,
                                           std::max<Integer>(1, max_width), &widths);
    if (over < line_end) {
      const size_t over_end = over + CharBytes(s, over, n);
      if (ellipsis_cut || p.SingleLine) {
        row_end = over_end;
      } else {
        size_t last_break = String::npos;
        for (size_t i = over + 1; i-- > pos;)
          if (IsBreak(p, s[i])) {
            last_break = i;
            break;
          }
        if (last_break != String::npos) {
          row_end = last_break + 1;
        } else if (char_wrap) {
          row_end = over > pos ? over : over_end;
        } else {
          // A word longer than the row stays whole: the row ends after the next break.
          row_end = line_end;
          for (size_t i = over_end; i < line_end; ++i)
            if (IsBreak(p, s[i])) {
              row_end = i + 1;
              break;
            }
        }
      }
    }
  }
  size_t len = row_end - pos;
  Integer breaks = 0;
  for (size_t i = pos; i < row_end; ++i)
    if (IsBreak(p, s[i])) ++breaks;
  if (IsJustified(p))
    while (len > 0 && IsBreak(p, s[pos + len - 1])) {
      --len;
      --breaks;
    }
  row.Text = s + pos;
  row.Length = Integer(len);
  row.CharCount = CountChars(s + pos, len);
  row.Width = row.CharCount == 0 ? 0
              : size_t(row.CharCount) <= widths.size() ? widths[size_t(row.CharCount - 1)]
                                                        : MeasureRun(dc, p, s + pos, len);
  row.Height = p.RowHeight;
  row.BreakCount = breaks;
  size_t next = row_end;
  while (next < n && IsBreak(p, s[next]) && s[next] != '\t') ++next;
  if (next < n && s[next] == '\t') ++next;
  bool paragraph_end = next >= n || IsLineBreak(s[next]);
  if (next < n && s[next] == '\r') ++next;
  if (next < n && s[next] == '\n') ++next;
  if (p.HorzAlignment == tofJustify && paragraph_end) row.BreakCount = 0;
  return next;
}

bool IsLastTextRow(const TcxTextLayoutParams& p, Integer rows_before, Integer height,
                   Integer rect_height, Integer max_row_count) {
  if (p.SingleLine) return true;
  if (p.VertAlignment != tofTop || p.CalcRect)
    return max_row_count > 0 && rows_before + 1 >= max_row_count;
  if (p.CompleteRowsOnly && !p.NoClip) return height + p.RowHeight > rect_height;
  return height >= rect_height;
}

// Layout that also reports where the laid-out text ends.
bool DoLayout(HDC dc, const String& text, const TRect& rect, const TcxTextLayoutParams& p,
              TcxTextRows& rows, Integer& row_count, Integer max_row_count, size_t& text_end) {
  rows.clear();
  row_count = 0;
  text_end = 0;
  if (text.empty()) return true;
  if (p.SingleLine && p.CalcRect) {
    TcxTextRow row;
    row.Text = text.data();
    row.Length = Integer(text.size());
    row.CharCount = CountChars(text.data(), text.size());
    row.Width = MeasureRun(dc, p, text.data(), text.size());
    row.Height = p.RowHeight;
    rows.push_back(row);
    row_count = 1;
    text_end = text.size();
    return true;
  }
  size_t pos = 0;
  Integer height = 0;
  Integer chars_before = 0;
  bool last = false;
  size_t line_break = 0;
  while (pos < text.size() && !last) {
    if (line_break < pos) line_break = pos;
    while (line_break < text.size() && !IsLineBreak(text[line_break])) ++line_break;
    if (max_row_count > 0 && Integer(rows.size()) >= max_row_count) break;
    height += p.RowHeight;
    last = IsLastTextRow(p, Integer(rows.size()), height, rect.Height(), max_row_count);
    TcxTextRow row;
    const size_t next = BreakTextRow(dc, text, pos, line_break, rect.Width(), last, p, row);
    row.TextOffset = chars_before;
    chars_before += CountChars(text.data() + pos, next - pos);
    rows.push_back(row);
    pos = next;
  }
  row_count = Integer(rows.size());
  text_end = pos;
  return pos >= text.size() || p.SingleLine || p.CalcRect;
}

void DrawRun(HDC dc, const TcxTextLayoutParams& p, Integer x, Integer y, const char* s, size_t n) {
  if (n == 0) return;
  if (p.ExpandTabs) TabbedTextOut(dc, x, y, s, int(n), 0, nullptr, x);
  else TextOut(dc, x, y, s, int(n));
}

// The x offsets (from the row's left) of the ends of the first `chars` characters.
Integer PrefixWidth(HDC dc, const TcxTextLayoutParams& p, const char* s, size_t n, Integer chars) {
  return MeasureRun(dc, p, s, BytesOfChars(s, n, chars));
}

void DoDrawTextRows(HDC dc, const TRect& r, const TcxTextLayoutParams& p,
                  const TcxTextRows& rows, Integer row_count, bool truncated, Integer sel_start,
                  Integer sel_length, TColor sel_background, TColor sel_text_color) {
  const int old_mode = SetBkMode(dc, TRANSPARENT);
  HBRUSH sel_brush = nullptr;
  if (sel_length > 0 && sel_background != clNone)
    sel_brush = CreateSolidBrush(ColorToRGB(sel_background));
  const Integer rect_width = r.Width();
  TRect clip;
  const bool has_clip = GetClipBox(dc, &clip) != ERROR;
  for (Integer i = 0; i < row_count; ++i) {
    const TcxTextRow& row = rows[size_t(i)];
    // Rows outside what can be drawn are skipped.
    if (has_clip && (row.Y + p.FontHeight <= clip.Top || row.Y >= clip.Bottom)) continue;
    const bool is_last = i == row_count - 1;
    const bool ellipsis_here =
        p.EndEllipsis && is_last && (truncated || row.Width > rect_width);
    if (row.CharCount == 0 && !(ellipsis_here && truncated)) continue;
    const int saved = SaveDC(dc);
    if (IsJustified(p) && !ellipsis_here && row.BreakCount > 0 && row.Width < rect_width)
      SetTextJustification(dc, rect_width - row.Width, row.BreakCount);
    if (!p.NoClip &&
        (row.Width > rect_width || row.Y < r.Top || row.Y + p.FontHeight > r.Bottom))
      IntersectClipRect(dc, r.Left, std::max(r.Top, row.Y), r.Right,
                        std::min(r.Bottom, row.Y + p.FontHeight));
    size_t draw_len = size_t(row.Length);
    Integer draw_chars = row.CharCount;
    Integer draw_width = row.Width;
    if (ellipsis_here) {
      // Shorten the row so that the ellipsis fits (keeping at least one character).
      const Integer room = rect_width - p.EllipsisWidth;
      if (draw_width > room && draw_chars > 1) {
        const size_t over = FindOverflow(dc, p, row.Text, draw_len, std::max<Integer>(0, room));
        draw_len = std::max(over, CharBytes(row.Text, 0, draw_len));
        draw_chars = CountChars(row.Text, draw_len);
        draw_width = MeasureRun(dc, p, row.Text, draw_len);
      }
    }
    // A shortened row is placed again so that its ellipsis keeps the alignment.
    Integer row_x = row.X;
    if (ellipsis_here && draw_len < size_t(row.Length)) {
      const Integer total = draw_width + p.EllipsisWidth;
      if (p.HorzAlignment == tofRight) row_x = r.Right - total;
      else if (p.HorzAlignment == tofCenterHorz) row_x = r.Left + (rect_width - total) / 2;
      row_x = std::max(row_x, r.Left);
    }
    bool ellipsis_drawn = false;
    if (sel_brush) {
      const Integer a = std::max(sel_start, row.TextOffset);
      const Integer b = std::min(sel_start + sel_length, row.TextOffset + draw_chars);
      if (a < b) {
        const Integer x1 = row_x + PrefixWidth(dc, p, row.Text, draw_len, a - row.TextOffset);
        Integer x2 = row_x + PrefixWidth(dc, p, row.Text, draw_len, b - row.TextOffset);
        const bool to_end = b >= row.TextOffset + draw_chars;
        if (to_end && ellipsis_here) x2 += p.EllipsisWidth;
        TRect sel(x1, row.Y, x2, row.Y + p.FontHeight);
        FillRect(dc, &sel, sel_brush);
        const int inner = SaveDC(dc);
        IntersectClipRect(dc, sel.Left, sel.Top, sel.Right, sel.Bottom);
        const COLORREF old_color = SetTextColor(dc, ColorToRGB(sel_text_color));
        DrawRun(dc, p, row_x, row.Y, row.Text, draw_len);
        if (to_end && ellipsis_here) {
          TextOut(dc, row_x + draw_width, row.Y, kEllipsis, 3);
          ellipsis_drawn = true;
        }
        SetTextColor(dc, old_color);
        RestoreDC(dc, inner);
        ExcludeClipRect(dc, sel.Left, sel.Top, sel.Right, sel.Bottom);
      }
    }
    DrawRun(dc, p, row_x, row.Y, row.Text, draw_len);
    if (ellipsis_here && !ellipsis_drawn) {
      const Integer ex = row_x + draw_width;
      if (ex < r.Right) {
        if (!p.NoClip && ex + p.EllipsisWidth > r.Right)
          IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
        TextOut(dc, ex, row.Y, kEllipsis, 3);
      }
    }
    SetTextJustification(dc, 0, 0);
    RestoreDC(dc, saved);
  }
  if (sel_brush) DeleteObject(sel_brush);
  SetBkMode(dc, old_mode);
}

}  // namespace

void InitTextLayoutParams(HDC dc, Integer flags, TcxTextLayoutParams& p) {
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  p = TcxTextLayoutParams();
  p.ExternalLeadingFlag = (flags & tofExternalLeading) != 0;
  p.FontHeight = tm.tmHeight;
  p.ExternalLeading = p.ExternalLeadingFlag ? tm.tmExternalLeading : 0;
  p.RowHeight = p.FontHeight + p.ExternalLeading;
  p.EndEllipsis = (flags & tofEndEllipsis) != 0;
  if (p.EndEllipsis) {
    SIZE size{};
    GetTextExtentPoint32(dc, kEllipsis, 3, &size);
    p.EllipsisWidth = size.cx;
  }
  p.BreakChar = tm.tmBreakChar;
  p.HorzAlignment = flags & tofHorzMask;
  p.VertAlignment = flags & tofVertMask;
  p.WordBreak = (flags & tofWordBreak) != 0;
  p.SingleLine = (flags & tofSingleLine) != 0;
  p.ExpandTabs = (flags & tofExpandTabs) != 0;
  p.CompleteRowsOnly = (flags & tofCompleteRowsOnly) != 0;
  p.NoClip = (flags & tofNoClip) != 0;
  p.KeepLeftInside = (flags & tofKeepLeftInside) != 0;
  p.KeepTopInside = (flags & tofKeepTopInside) != 0;
  p.CharBreak = (flags & tofCharBreak) != 0;
  p.CalcRect = (flags & tofCalcRect) != 0;
  p.ReturnRowCount = (flags & tofReturnRowCount) != 0;
  p.MaxCharWidth = tm.tmMaxCharWidth;
  p.AveCharWidth = tm.tmAveCharWidth;
  p.CharSet = tm.tmCharSet;
}

void InitTextLayoutParams(TCanvas* canvas, Integer flags, TcxTextLayoutParams& params) {
  InitTextLayoutParams(canvas->Handle(), flags, params);
}

bool LayoutTextRows(HDC dc, const String& text, const TRect& rect,
                    const TcxTextLayoutParams& params, TcxTextRows& rows, Integer& row_count,
                    Integer max_row_count) {
  size_t end = 0;
  return DoLayout(dc, text, rect, params, rows, row_count, max_row_count, end);
}

bool LayoutTextRows(TCanvas* canvas, const String& text, const TRect& rect,
                    const TcxTextLayoutParams& params, TcxTextRows& rows, Integer& row_count,
                    Integer max_row_count) {
  return LayoutTextRows(canvas->Handle(), text, rect, params, rows, row_count, max_row_count);
}

void PlaceTextRows(const TRect& r, const TcxTextLayoutParams& p, TcxTextRows& rows,
                   Integer row_count) {
  const Integer n = std::min<Integer>(row_count, Integer(rows.size()));
  if (n <= 0) return;
  const Integer rect_height = r.Height();
  bool distributed = false;
  if (p.VertAlignment == tofDistributeVert && n > 1 &&
      p.FontHeight < (rect_height - p.FontHeight) / (n - 1)) {
    const Integer step = (rect_height - p.FontHeight) / (n - 1);
    const Integer extra = (rect_height - p.FontHeight) % (n - 1);
    Integer y = r.Top;
    for (Integer i = 0; i < n; ++i) {
      rows[size_t(i)].Y = y;
      rows[size_t(i)].Height = step + (i < extra ? 1 : 0);
      y += rows[size_t(i)].Height;
    }
    distributed = true;
  }
  if (!distributed) {
    Integer y;
    if (p.VertAlignment == tofCenterVert) y = r.Top + (rect_height - n * p.RowHeight) / 2;
    else if (p.VertAlignment == tofBottom) y = r.Bottom - n * p.RowHeight + p.ExternalLeading;
    else y = r.Top;
    if (p.KeepTopInside) y = std::max(y, r.Top);
    for (Integer i = 0; i < n; ++i) rows[size_t(i)].Y = y + i * p.RowHeight;
  }
  for (Integer i = 0; i < n; ++i) {
    TcxTextRow& row = rows[size_t(i)];
    if (p.HorzAlignment == tofCenterHorz) row.X = r.Left + (r.Width() - row.Width) / 2;
    else if (p.HorzAlignment == tofRight) row.X = r.Right - row.Width;
    else row.X = r.Left;
    if (p.KeepLeftInside) row.X = std::max(row.X, r.Left);
  }
}

Integer TextRowsMaxWidth(const TcxTextRows& rows, Integer count) {
  Integer result = 0;
  for (Integer i = 0; i < count && i < Integer(rows.size()); ++i)
    result = std::max(result, rows[size_t(i)].Width);
  return result;
}

Integer TextOutRect(HDC dc, const String& text, TRect& rect, Integer flags, Integer sel_start,
                    Integer sel_length, TColor sel_background, TColor sel_text_color,
                    Integer max_row_count, Integer left_indent, Integer right_indent) {
  if (text.empty()) return 0;
  TcxTextLayoutParams p;
  InitTextLayoutParams(dc, flags, p);
  TRect r = rect;
  r.Left += left_indent;
  r.Right -= right_indent;
  if (p.CalcRect ? r.Width() <= 0 : r.IsEmpty()) return 0;
  TcxTextRows rows;
  Integer count = 0;
  size_t text_end = 0;
  const bool complete = DoLayout(dc, text, r, p, rows, count, max_row_count, text_end);
  if (max_row_count > 0) count = std::min(count, max_row_count);
  if (p.CalcRect) {
    const Integer width = TextRowsMaxWidth(rows, count);
    if (count > 1) {
      r.Right = r.Left + width;
      DoLayout(dc, text, r, p, rows, count, max_row_count, text_end);
      if (max_row_count > 0) count = std::min(count, max_row_count);
    }
    r.Right = r.Left + width;
    PlaceTextRows(r, p, rows, count);
    if (count > 0) r.Bottom = rows[size_t(count - 1)].Y + p.FontHeight;
    rect = TRect(r.Left - left_indent, r.Top, r.Right + right_indent, r.Bottom);
  } else {
    // Rows that leave text undrawn end in an ellipsis.
    const bool truncated = p.EndEllipsis && !p.SingleLine && !complete && count > 0;
    PlaceTextRows(r, p, rows, count);
    const Integer char_total = CountChars(text.data(), text.size());
    if (sel_start < 0 || sel_start >= char_total) sel_length = 0;
    else sel_length = std::min(sel_length, char_total - sel_start);
    DoDrawTextRows(dc, r, p, rows, count, truncated, sel_start, sel_length, sel_background,
                 sel_text_color);
  }
  if (count == 0) return 0;
  const Integer height = rows[size_t(count - 1)].Y + p.FontHeight - r.Top;
  if (p.ReturnRowCount || height == 0) return count;
  return height;
}

void DrawTextRows(HDC dc, const TRect& rect, const TcxTextLayoutParams& params,
                  const TcxTextRows& rows, Integer row_count, bool truncated, Integer sel_start,
                  Integer sel_length, TColor sel_background, TColor sel_text_color) {
  row_count = std::min<Integer>(row_count, Integer(rows.size()));
  if (row_count <= 0) return;
  // The selection is clamped to the laid-out rows' characters.
  const TcxTextRow& last = rows[size_t(row_count - 1)];
  const Integer char_total = last.TextOffset + last.CharCount;
  if (sel_start < 0 || sel_start >= char_total) sel_length = 0;
  else sel_length = std::min(sel_length, char_total - sel_start);
  DoDrawTextRows(dc, rect, params, rows, row_count, truncated, sel_start, sel_length, sel_background,
                 sel_text_color);
}

Integer TextOutRectOnCanvas(TCanvas* canvas, const String& text, TRect& rect, Integer flags,
                            Integer sel_start, Integer sel_length, TColor sel_background,
                            TColor sel_text_color, Integer max_row_count, Integer left_indent,
                            Integer right_indent) {
  return TextOutRect(canvas->Handle(), text, rect, flags, sel_start, sel_length, sel_background,
                     sel_text_color, max_row_count, left_indent, right_indent);
}

Integer TextOutSimple(TCanvas* canvas, const String& text, TRect& rect, Integer flags,
                      Integer max_row_count, Integer left_indent, Integer right_indent) {
  return TextOutSimpleDC(canvas->Handle(), text, rect, flags, max_row_count, left_indent,
                         right_indent);
}

Integer TextOutSimpleDC(HDC dc, const String& text, TRect& rect, Integer flags,
                        Integer max_row_count, Integer left_indent, Integer right_indent) {
  return TextOutRect(dc, text, rect, flags, 0, 0, clNone, clWindowText, max_row_count,
                     left_indent, right_indent);
}

Integer TextOutFlagsToCanvasFlags(Integer flags) {
  Integer result = 0;
  switch (flags & tofHorzMask) {
    case tofCenterHorz: result |= ctfHCenter; break;
    case tofRight: result |= ctfRight; break;
    default: result |= ctfLeft; break;
  }
  switch (flags & tofVertMask) {
    case tofCenterVert: result |= ctfVCenter; break;
    case tofBottom: result |= ctfBottom; break;
    default: result |= ctfTop; break;
  }
  if (flags & tofSingleLine) result |= ctfSingleLine;
  if (flags & tofWordBreak) result |= ctfWordBreak;
  return result;
}

Integer CanvasFlagsToTextOutFlags(Integer flags) {
  Integer result = 0;
  if (flags & ctfHCenter) result |= tofCenterHorz;
  else if (flags & ctfRight) result |= tofRight;
  if (flags & ctfVCenter) result |= tofCenterVert;
  else if (flags & ctfBottom) result |= tofBottom;
  if (flags & ctfSingleLine) result |= tofSingleLine;
  if (flags & ctfWordBreak) result |= tofWordBreak;
  return result;
}
