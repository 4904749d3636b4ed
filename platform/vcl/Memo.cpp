// The multi-line edit: lines, wrapped rows, caret and selection, scrolling, the memo classes.
#include <algorithm>
#include <cctype>
#include <climits>

#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "vcl/StdCtrls.h"

namespace {
constexpr Integer kBreak = 2;  // a line break counts as CR LF

// Byte offset of the character `index` of a line (its end when past it).
size_t ByteOf(const String& s, Integer index) {
  size_t off = 0;
  for (Integer i = 0; i < index && off < s.size(); ++i) off += std::max<size_t>(1, Utf8SequenceLength(s, off));
  return std::min(off, s.size());
}

Integer CharsIn(std::string_view s) {
  Integer n = 0;
  for (size_t off = 0; off < s.size(); ++n) off += std::max<size_t>(1, Utf8SequenceLength(s, off));
  return n;
}

// Splits at CR LF, a single CR or a single LF.
std::vector<String> SplitLines(const String& s) {
  std::vector<String> out(1);
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
      out.emplace_back();
    } else {
      out.back() += c;
    }
  }
  return out;
}

bool IsWordChar(char32_t c) { return c >= 0x80 || c == U'_' || (c < 0x80 && std::isalnum(int(c))); }

std::vector<char32_t> Decode(const String& s) {
  std::vector<char32_t> out;
  size_t i = 0;
  while (i < s.size()) out.push_back(DecodeUtf8(s, i));
  return out;
}

// The start of the word at or before col, and the start of the next word after col.
Integer WordStartIn(const String& line, Integer col) {
  std::vector<char32_t> ch = Decode(line);
  Integer i = std::min(col, Integer(ch.size()));
  while (i > 0 && !IsWordChar(ch[size_t(i - 1)])) --i;
  while (i > 0 && IsWordChar(ch[size_t(i - 1)])) --i;
  return i;
}
Integer WordEndIn(const String& line, Integer col) {
  std::vector<char32_t> ch = Decode(line);
  Integer i = col, n = Integer(ch.size());
  while (i < n && IsWordChar(ch[size_t(i)])) ++i;
  while (i < n && !IsWordChar(ch[size_t(i)])) ++i;
  return i;
}
}  // namespace

// Prefix sums over per-line values (character counts, row counts) with O(log n) updates and
// searches; inserting or removing lines rebuilds them.
class TEditLines::Sums {
 public:
  void Build(const std::vector<Integer>& v) {
    values_ = v;
    tree_.assign(v.size() + 1, 0);
    for (size_t i = 0; i < v.size(); ++i) {
      tree_[i + 1] += v[i];
      size_t j = (i + 1) + ((i + 1) & (~(i + 1) + 1));
      if (j < tree_.size()) tree_[j] += tree_[i + 1];
    }
  }
  Integer Value(size_t i) const { return values_[i]; }
  void Set(size_t i, Integer v) {
    Integer d = v - values_[i];
    if (!d) return;
    values_[i] = v;
    for (size_t j = i + 1; j < tree_.size(); j += j & (~j + 1)) tree_[j] += d;
  }
  // Sum of the first n values.
  Integer Prefix(size_t n) const {
    Integer sum = 0;
    for (size_t j = n; j > 0; j -= j & (~j + 1)) sum += tree_[j];
    return sum;
  }
  Integer Total() const { return Prefix(values_.size()); }
  // The item whose span holds `target` (the last item for a target at or past the end).
  size_t Find(Integer target) const {
    size_t pos = 0;
    size_t step = 1;
    while (step * 2 < tree_.size()) step *= 2;
    for (; step; step /= 2)
      if (pos + step < tree_.size() && tree_[pos + step] <= target) {
        pos += step;
        target -= tree_[pos];
      }
    return std::min(pos, values_.empty() ? 0 : values_.size() - 1);
  }

 private:
  std::vector<Integer> values_;
  std::vector<Integer> tree_;
};

// The lines as the memo's Lines property: reading and writing go to the edit.
class TEditLinesStrings : public TStrings {
 public:
  explicit TEditLinesStrings(TEditLines* owner, TCustomEdit* edit) : owner_(owner), edit_(edit) {}
  Integer Count() const override {
    // An empty text has no lines; a text ending in a line break has no empty last line.
    Integer n = owner_->LineCount();
    if (n > 0 && owner_->Line(n - 1).empty()) --n;
    return n;
  }
  void Clear() override { edit_->SetText(""); }
  void Delete(Integer index) override {
    if (index < 0 || index >= Count()) return;
    Integer start = owner_->LineIndex(index);
    Integer end = index + 1 < owner_->LineCount() ? owner_->LineIndex(index + 1) : owner_->CharCount();
    Change(start, end - start, "");
  }
  void Insert(Integer index, const String& s) override {
    index = std::clamp(index, 0, Count());
    if (index < owner_->LineCount() && index < Count()) {
      Change(owner_->LineIndex(index), 0, s + "\r\n");
    } else {
      // After the last line: a break first unless the text is empty or ends in one.
      String t = owner_->CharCount() > 0 && Count() == owner_->LineCount() ? "\r\n" + s : s;
      Change(owner_->CharCount(), 0, t + "\r\n");
    }
  }
  String Text() const override { return owner_->Text(); }
  void SetText(const String& text) override { edit_->SetText(text); }

 protected:
  String Get(Integer index) const override {
    return index >= 0 && index < owner_->LineCount() ? owner_->Line(index) : String();
  }
  void Put(Integer index, const String& s) override {
    if (index < 0 || index >= Count()) return;
    Change(owner_->LineIndex(index), CharsIn(owner_->Line(index)), s);
  }
  TObject* GetObject(Integer) const override { return nullptr; }
  void PutObject(Integer, TObject*) override {}

 private:
  void Change(Integer start, Integer count, const String& s) {
    owner_->Replace(start, count, s);
    edit_->Perform(CM_TEXTCHANGED);
  }
  TEditLines* owner_;
  TCustomEdit* edit_;
};

TEditLines::TEditLines(TCustomEdit* edit)
    : edit_(edit), charSums_(std::make_unique<Sums>()), rowSums_(std::make_unique<Sums>()),
      strings_(std::make_unique<TEditLinesStrings>(this, edit)) {
  lines_.resize(1);
  Rebuild();
}

TEditLines::~TEditLines() = default;

void TEditLines::Rebuild() {
  std::vector<Integer> chars(lines_.size()), rows(lines_.size());
  for (size_t i = 0; i < lines_.size(); ++i) {
    chars[i] = lines_[i].chars + (i + 1 < lines_.size() ? kBreak : 0);
    rows[i] = Integer(lines_[i].breaks.size()) + 1;
  }
  charSums_->Build(chars);
  rowSums_->Build(rows);
}

bool TEditLines::Wraps() const { return wordWrap_ && scrollBars_ != ssHorizontal && scrollBars_ != ssBoth; }

Integer TEditLines::WrapWidth() {
  return std::max(1, edit_->ClientWidth() - edit_->leftMargin_ - edit_->rightMargin_);
}

HDC TEditLines::MeasureDC() {
  HDC dc = GetDC(nullptr);
  SelectObject(dc, edit_->Font()->Handle());
  return dc;
}

void TEditLines::ReleaseMeasureDC(HDC dc) { ReleaseDC(nullptr, dc); }

Integer TEditLines::RowHeight() {
  if (rowHeight_ <= 0) rowHeight_ = std::max(1, edit_->TextHeight());
  return rowHeight_;
}

// Measures a line and finds where its rows start: a row ends after the last blank that fits,
// or inside a word wider than the row.
void TEditLines::LayOut(TextLine& l, HDC dc) {
  l.breaks.clear();
  l.chars = CharsIn(l.text);
  if (l.text.empty()) {
    l.width = 0;
    return;
  }
  std::vector<int> dx(size_t(l.chars) + 1, 0);
  SIZE size{};
  GetTextExtentExPoint(dc, l.text.data(), int(l.text.size()), -1, nullptr, dx.data(), &size);
  l.width = size.cx;
  if (!Wraps() || l.width <= wrapWidth_) return;
  std::vector<char32_t> c = Decode(l.text);
  Integer start = 0;
  const Integer n = l.chars;
  while (start < n) {
    const int base = start > 0 ? dx[size_t(start - 1)] : 0;
    // The first character that does not fit.
    Integer e = Integer(std::upper_bound(dx.begin() + start, dx.begin() + n, base + wrapWidth_) - dx.begin());
    if (e >= n) break;
    Integer cut = e;
    // Blanks that overflow stay on the row; a word that overflows moves to the next row.
    while (cut < n && c[size_t(cut)] == U' ') ++cut;
    if (cut == e) {
      Integer j = e;
      while (j > start && c[size_t(j - 1)] != U' ') --j;
      cut = j > start ? j : std::max(e, start + 1);
    }
    if (cut >= n) break;
    l.breaks.push_back(cut);
    start = cut;
  }
}

void TEditLines::LayoutChanged() {
  rowHeight_ = 0;
  wrapWidth_ = WrapWidth();
  maxWidth_ = -1;
  HDC dc = MeasureDC();
  for (auto& l : lines_) LayOut(l, dc);
  ReleaseMeasureDC(dc);
  Rebuild();
  topRow_ = std::clamp(topRow_, 0, std::max(0, RowCount() - 1));
  UpdateScrollBars();
  edit_->Invalidate();
}

Integer TEditLines::LineIndex(Integer line) const {
  if (line < 0 || line >= LineCount()) return -1;
  return charSums_->Prefix(size_t(line));
}

Integer TEditLines::LineFromChar(Integer index) const {
  return Integer(charSums_->Find(std::clamp(index, 0, CharCount())));
}

Integer TEditLines::CharCount() const { return charSums_->Total(); }
Integer TEditLines::RowCount() const { return rowSums_->Total(); }

String TEditLines::Text() const {
  size_t n = 0;
  for (const auto& l : lines_) n += l.text.size() + 2;
  String s;
  s.reserve(n);
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i) s += "\r\n";
    s += lines_[i].text;
  }
  return s;
}

void TEditLines::SetText(const String& s) {
  ++changeCount_;
  std::vector<String> parts = SplitLines(s);
  lines_.assign(parts.size(), TextLine());
  for (size_t i = 0; i < parts.size(); ++i) lines_[i].text = std::move(parts[i]);
  topRow_ = 0;
  goalX_ = -1;
  edit_->scroll_ = 0;
  edit_->hasUndo_ = false;
  LayoutChanged();
}

String TEditLines::Range(Integer start, Integer count) const {
  Integer total = CharCount();
  start = std::clamp(start, 0, total);
  Integer end = std::clamp(start + count, start, total);
  String out;
  Integer line = LineFromChar(start);
  Integer col = start - LineIndex(line);
  Integer pos = start;
  while (pos < end && line < LineCount()) {
    const TextLine& l = lines_[size_t(line)];
    Integer take = std::min(end - pos, std::max(0, l.chars - col));
    size_t a = ByteOf(l.text, col);
    out += l.text.substr(a, ByteOf(l.text, col + take) - a);
    pos += take;
    if (pos < end) {
      // Part of a break counts as the whole break.
      out += "\r\n";
      pos += kBreak;
    }
    ++line;
    col = 0;
  }
  return out;
}

Integer TEditLines::Replace(Integer start, Integer count, const String& s) {
  Integer total = CharCount();
  start = std::clamp(start, 0, total);
  Integer end = std::clamp(start + count, start, total);
  ++changeCount_;
  Integer l1 = LineFromChar(start), l2 = LineFromChar(end);
  Integer c1 = std::min(start - LineIndex(l1), lines_[size_t(l1)].chars);
  Integer c2 = std::min(end - LineIndex(l2), lines_[size_t(l2)].chars);
  std::vector<String> parts = SplitLines(s);
  String head = lines_[size_t(l1)].text.substr(0, ByteOf(lines_[size_t(l1)].text, c1));
  String tail = lines_[size_t(l2)].text.substr(ByteOf(lines_[size_t(l2)].text, c2));
  Integer inserted = 0;
  for (size_t i = 0; i < parts.size(); ++i) inserted += CharsIn(parts[i]) + (i ? kBreak : 0);
  parts.front() = head + parts.front();
  parts.back() += tail;
  HDC dc = MeasureDC();
  if (wrapWidth_ < 0) wrapWidth_ = WrapWidth();
  const bool sameCount = l1 == l2 && parts.size() == 1;
  // A line that was the widest and shrinks makes the widest be found again.
  for (Integer i = l1; i <= l2; ++i)
    if (lines_[size_t(i)].width >= maxWidth_) maxWidth_ = -1;
  if (sameCount) {
    TextLine& l = lines_[size_t(l1)];
    l.text = std::move(parts.front());
    LayOut(l, dc);
    charSums_->Set(size_t(l1), l.chars + (size_t(l1) + 1 < lines_.size() ? kBreak : 0));
    rowSums_->Set(size_t(l1), Integer(l.breaks.size()) + 1);
    if (maxWidth_ >= 0) maxWidth_ = std::max(maxWidth_, l.width);
  } else {
    std::vector<TextLine> fresh(parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
      fresh[i].text = std::move(parts[i]);
      LayOut(fresh[i], dc);
    }
    lines_.erase(lines_.begin() + l1, lines_.begin() + l2 + 1);
    lines_.insert(lines_.begin() + l1, std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
    Rebuild();
    maxWidth_ = -1;
  }
  ReleaseMeasureDC(dc);
  return inserted;
}

Integer TEditLines::Caret() const {
  const TCustomEdit& e = *edit_;
  return e.selLength_ == 0 ? e.selStart_ : (e.anchor_ == e.selStart_ ? e.selStart_ + e.selLength_ : e.selStart_);
}

bool TEditLines::ReplaceSelection(const String& input) {
  TCustomEdit& e = *edit_;
  String s = input;
  if (e.charCase_ == ecUpperCase) s = AnsiUpperCase(s);
  else if (e.charCase_ == ecLowerCase) s = AnsiLowerCase(s);
  if (e.maxLength_ > 0) {
    // Keep what fits, never a split character nor half a line break.
    Integer room = e.maxLength_ - (CharCount() - e.selLength_);
    if (room <= 0 && !s.empty()) {
      MessageBeep(0);
      if (e.selLength_ == 0) return false;
      s.clear();
    }
    Integer used = 0;
    size_t off = 0;
    while (off < s.size()) {
      Integer w = 1;
      size_t len = std::max<size_t>(1, Utf8SequenceLength(s, off));
      if (s[off] == '\r' || s[off] == '\n') {
        w = kBreak;
        len = s[off] == '\r' && off + 1 < s.size() && s[off + 1] == '\n' ? 2 : 1;
      }
      if (used + w > room) break;
      used += w;
      off += len;
    }
    s.resize(off);
  }
  const Integer start = e.selStart_;
  undoText_ = Range(start, e.selLength_);
  undoStart_ = start;
  undoInserted_ = Replace(start, e.selLength_, s);
  e.hasUndo_ = true;
  const Integer caret = start + undoInserted_;
  e.selStart_ = caret;
  e.selLength_ = 0;
  e.anchor_ = caret;
  e.modified_ = true;
  UpdateScrollBars();
  UpdateCaret();
  e.Invalidate();
  e.Change();
  return true;
}

void TEditLines::Undo() {
  TCustomEdit& e = *edit_;
  String back = undoText_;
  Integer start = undoStart_;
  undoText_ = Range(start, undoInserted_);
  undoInserted_ = Replace(start, undoInserted_, back);
  e.selStart_ = e.anchor_ = start + undoInserted_;
  e.selLength_ = 0;
  e.modified_ = true;
  UpdateScrollBars();
  UpdateCaret();
  e.Invalidate();
  e.Change();
}

// The row holding a character index (a caret at a row's break belongs to the next row).
Integer TEditLines::RowOfIndex(Integer index, Integer* rowStart, Integer* line) {
  Integer ln = LineFromChar(index);
  Integer col = std::min(index - LineIndex(ln), lines_[size_t(ln)].chars);
  const auto& br = lines_[size_t(ln)].breaks;
  Integer r = Integer(std::upper_bound(br.begin(), br.end(), col) - br.begin());
  if (rowStart) *rowStart = r > 0 ? br[size_t(r - 1)] : 0;
  if (line) *line = ln;
  return rowSums_->Prefix(size_t(ln)) + r;
}

Integer TEditLines::XOf(Integer line, Integer from, Integer to) {
  const String& t = lines_[size_t(line)].text;
  size_t a = ByteOf(t, from), b = ByteOf(t, to);
  if (b <= a) return 0;
  HDC dc = MeasureDC();
  SIZE sz{};
  GetTextExtentPoint32(dc, t.data() + a, int(b - a), &sz);
  ReleaseMeasureDC(dc);
  return sz.cx;
}

// The character index nearest to x in a row.
Integer TEditLines::IndexAt(Integer row, Integer x) {
  row = std::clamp(row, 0, RowCount() - 1);
  Integer ln = Integer(rowSums_->Find(row));
  Integer r = row - rowSums_->Prefix(size_t(ln));
  const TextLine& l = lines_[size_t(ln)];
  Integer from = r > 0 ? l.breaks[size_t(r - 1)] : 0;
  Integer to = r < Integer(l.breaks.size()) ? l.breaks[size_t(r)] : l.chars;
  Integer base = LineIndex(ln);
  if (to <= from) return base + from;
  size_t a = ByteOf(l.text, from), b = ByteOf(l.text, to);
  std::vector<int> dx(size_t(to - from), 0);
  HDC dc = MeasureDC();
  GetTextExtentExPoint(dc, l.text.data() + a, int(b - a), -1, nullptr, dx.data(), nullptr);
  ReleaseMeasureDC(dc);
  x -= edit_->leftMargin_ - edit_->scroll_;
  Integer best = 0;
  int prev = 0;
  for (size_t i = 0; i < dx.size(); ++i) {
    if (x >= (prev + dx[i]) / 2) best = Integer(i) + 1;
    prev = dx[i];
  }
  // A wrapped row's last place is the next row's first: stay before the break.
  if (r < Integer(l.breaks.size()) && best == to - from && to > from) best = to - from - 1;
  return base + from + best;
}

Integer TEditLines::VisibleRows() { return std::max(1, edit_->ClientHeight() / RowHeight()); }

void TEditLines::UpdateCaret() {
  TCustomEdit& e = *edit_;
  goalX_ = -1;  // any caret placement but a vertical move (which sets it again) forgets it
  if (!e.HandleAllocated()) return;
  if (wrapWidth_ != WrapWidth() && Wraps()) LayoutChanged();
  KeepCaretVisible();
  if (e.caretCreated_ && GetFocus() == e.Handle()) {
    Integer rowStart = 0, line = 0;
    Integer c = Caret();
    Integer row = RowOfIndex(c, &rowStart, &line);
    Integer x = e.leftMargin_ - e.scroll_ + XOf(line, rowStart, c - LineIndex(line));
    ::SetCaretPos(x, (row - topRow_) * RowHeight());
  }
}

void TEditLines::KeepCaretVisible() {
  TCustomEdit& e = *edit_;
  Integer rowStart = 0, line = 0;
  Integer c = Caret();
  Integer row = RowOfIndex(c, &rowStart, &line);
  Integer top = topRow_;
  Integer vis = VisibleRows();
  if (row < top) top = row;
  else if (row >= top + vis) top = row - vis + 1;
  Integer sx = e.scroll_;
  if (!Wraps()) {
    Integer x = XOf(line, 0, c - LineIndex(line));
    Integer room = std::max(1, e.ClientWidth() - e.leftMargin_ - e.rightMargin_);
    if (x < sx) sx = std::max(0, x - room / 3);
    else if (x > sx + room) sx = x - room + room / 3;
  } else {
    sx = 0;
  }
  SetTop(top, sx);
}

void TEditLines::SetTop(Integer row, Integer scroll_x) {
  TCustomEdit& e = *edit_;
  row = std::clamp(row, 0, std::max(0, RowCount() - 1));
  scroll_x = std::max(0, scroll_x);
  const bool v = row != topRow_, h = scroll_x != e.scroll_;
  topRow_ = row;
  e.scroll_ = scroll_x;
  if (v || h) {
    UpdateScrollBars();
    e.Invalidate();
    if (h) Notify(EN_HSCROLL);
    if (v) Notify(EN_VSCROLL);
  }
}

void TEditLines::Notify(WORD code) {
  TCustomEdit& e = *edit_;
  if (!e.HandleAllocated()) return;
  HWND parent = GetParent(e.Handle());
  if (parent)
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID(e.Handle())), code),
                reinterpret_cast<LPARAM>(e.Handle()));
}

Integer TEditLines::MaxWidth() {
  if (maxWidth_ < 0) {
    maxWidth_ = 0;
    for (const auto& l : lines_) maxWidth_ = std::max(maxWidth_, l.width);
  }
  return maxWidth_;
}

void TEditLines::UpdateScrollBars() {
  TCustomEdit& e = *edit_;
  if (!e.HandleAllocated()) return;
  const DWORD style = DWORD(GetWindowLong(e.Handle(), GWL_STYLE));
  if (style & WS_VSCROLL) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(0, RowCount() - 1);
    si.nPage = UINT(VisibleRows());
    si.nPos = topRow_;
    SetScrollInfo(e.Handle(), SB_VERT, &si, TRUE);
  }
  if (style & WS_HSCROLL) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = MaxWidth() + e.leftMargin_ + e.rightMargin_;
    si.nPage = UINT(std::max(0, e.ClientWidth()));
    si.nPos = e.scroll_;
    SetScrollInfo(e.Handle(), SB_HORZ, &si, TRUE);
  }
}

bool TEditLines::ScrollBy(Integer columns, Integer rows) {
  TCustomEdit& e = *edit_;
  Integer oldTop = topRow_, oldX = e.scroll_;
  TEXTMETRIC tm{};
  HDC dc = MeasureDC();
  GetTextMetrics(dc, &tm);
  ReleaseMeasureDC(dc);
  Integer maxX = Wraps() ? 0 : std::max(0, MaxWidth() + e.leftMargin_ + e.rightMargin_ - e.ClientWidth());
  Integer sx = std::clamp(e.scroll_ + columns * std::max(1, Integer(tm.tmAveCharWidth)), 0, maxX);
  Integer top = std::clamp(topRow_ + rows, 0, std::max(0, RowCount() - VisibleRows()));
  SetTop(std::max(0, top), sx);
  if (e.caretCreated_ && GetFocus() == e.Handle()) {
    Integer rowStart = 0, line = 0;
    Integer c = Caret();
    Integer row = RowOfIndex(c, &rowStart, &line);
    ::SetCaretPos(e.leftMargin_ - e.scroll_ + XOf(line, rowStart, c - LineIndex(line)), (row - topRow_) * RowHeight());
  }
  return topRow_ != oldTop || e.scroll_ != oldX;
}

void TEditLines::MoveCaret(Integer pos, bool extend, bool forward) {
  TCustomEdit& e = *edit_;
  pos = std::clamp(pos, 0, CharCount());
  // Never between the CR and the LF of a break.
  Integer ln = LineFromChar(pos);
  if (pos - LineIndex(ln) > lines_[size_t(ln)].chars)
    pos = forward && ln + 1 < LineCount() ? LineIndex(ln + 1) : LineIndex(ln) + lines_[size_t(ln)].chars;
  if (!extend) {
    e.anchor_ = pos;
    e.selStart_ = pos;
    e.selLength_ = 0;
  } else {
    e.selStart_ = std::min(e.anchor_, pos);
    e.selLength_ = std::abs(pos - e.anchor_);
  }
  UpdateCaret();
  e.Invalidate();
}

void TEditLines::MouseAt(Integer x, Integer y, bool extend) {
  Integer row = topRow_ + (y < 0 ? (y - RowHeight() + 1) / RowHeight() : y / RowHeight());
  MoveCaret(IndexAt(row, x), extend);
}

void TEditLines::SelectWord() {
  TCustomEdit& e = *edit_;
  Integer c = Caret();
  Integer ln = LineFromChar(c);
  Integer base = LineIndex(ln);
  std::vector<char32_t> ch = Decode(lines_[size_t(ln)].text);
  Integer n = Integer(ch.size());
  Integer from = std::min(c - base, n), to = from;
  while (from > 0 && IsWordChar(ch[size_t(from - 1)])) --from;
  while (to < n && IsWordChar(ch[size_t(to)])) ++to;
  if (from == to && to < n) ++to;
  e.anchor_ = base + from;
  MoveCaret(base + to, true);
}

void TEditLines::EditKeyDown(Word& key, TShiftState shift) {
  TCustomEdit& e = *edit_;
  const bool ext = shift.Contains(ssShift), ctrl = shift.Contains(ssCtrl);
  Integer c = Caret();
  Integer rowStart = 0, line = 0;
  Integer row = RowOfIndex(c, &rowStart, &line);
  const Integer base = LineIndex(line);
  const TextLine& l = lines_[size_t(line)];
  switch (key) {
    case VK_LEFT:
      if (!ext && e.selLength_) MoveCaret(e.selStart_, false);
      else if (c - base == 0) MoveCaret(c - kBreak, ext, false);
      else if (ctrl) MoveCaret(base + WordStartIn(l.text, c - base), ext, false);
      else MoveCaret(c - 1, ext, false);
      key = 0;
      break;
    case VK_RIGHT:
      if (!ext && e.selLength_) MoveCaret(e.selStart_ + e.selLength_, false);
      else if (c - base >= l.chars) MoveCaret(c + kBreak, ext);
      else if (ctrl) MoveCaret(base + WordEndIn(l.text, c - base), ext);
      else MoveCaret(c + 1, ext);
      key = 0;
      break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
      // Vertical moves in a row keep the column where they started.
      Integer x = goalX_ >= 0 ? goalX_ : e.leftMargin_ - e.scroll_ + XOf(line, rowStart, c - base) + e.scroll_;
      Integer step = key == VK_UP ? -1 : key == VK_DOWN ? 1 : key == VK_PRIOR ? -VisibleRows() : VisibleRows();
      Integer target = row + step;
      if (target < 0 || target >= RowCount()) {
        MoveCaret(target < 0 ? 0 : CharCount(), ext, target >= 0);
      } else {
        if (key == VK_PRIOR || key == VK_NEXT) SetTop(topRow_ + step, e.scroll_);
        MoveCaret(IndexAt(target, x - e.scroll_), ext, step > 0);
      }
      goalX_ = x;
      key = 0;
      break;
    }
    case VK_HOME:
      MoveCaret(ctrl ? 0 : base + rowStart, ext, false);
      key = 0;
      break;
    case VK_END: {
      if (ctrl) {
        MoveCaret(CharCount(), ext);
      } else {
        Integer r = row - rowSums_->Prefix(size_t(line));
        Integer end = r < Integer(l.breaks.size()) ? l.breaks[size_t(r)] - 1 : l.chars;
        MoveCaret(base + std::max(end, rowStart), ext, false);
      }
      key = 0;
      break;
    }
    case 'A':
      // Ctrl+A selects everything; with Shift or Alt it does nothing.
      if (ctrl && !ext && !shift.Contains(ssAlt)) e.SelectAll();
      if (ctrl) key = 0;
      break;
    case VK_DELETE:
      if (ext || e.readOnly_) break;  // the single-line handling: Shift+Delete cuts
      if (e.selLength_ == 0 && c < CharCount()) {
        e.selStart_ = c;
        e.selLength_ = c - base >= l.chars ? kBreak : 1;
      }
      ReplaceSelection("");
      key = 0;
      break;
    default: break;
  }
}

void TEditLines::EditChar(char32_t& key) {
  TCustomEdit& e = *edit_;
  if (key == 13 || key == 10) {
    // Enter breaks the line when the memo wants returns; Ctrl+Enter (a line feed) always.
    if (!e.readOnly_ && (key == 10 || wantReturns_)) ReplaceSelection("\r\n");
    key = 0;
    return;
  }
  if (key == 9) {
    if (!e.readOnly_ && wantTabs_) ReplaceSelection("\t");
    key = 0;
    return;
  }
  if (key == 8 && !e.readOnly_) {
    Integer c = Caret();
    if (e.selLength_ == 0 && c > 0) {
      Integer ln = LineFromChar(c);
      Integer back = c - LineIndex(ln) == 0 ? kBreak : 1;
      e.selStart_ = c - back;
      e.selLength_ = back;
    }
    ReplaceSelection("");
    key = 0;
  }
}

LRESULT TEditLines::DlgCode() {
  LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTALLKEYS;
  if (wantTabs_) code |= DLGC_WANTTAB;
  if (!wantReturns_) code &= ~DLGC_WANTALLKEYS;
  return code;
}

bool TEditLines::EditMessage(TMessage& m) {
  TCustomEdit& e = *edit_;
  switch (m.Msg) {
    case EM_GETLINECOUNT: m.Result = LineCount(); return true;
    case EM_LINEINDEX: {
      Integer line = Integer(NativeInt(m.WParam));
      m.Result = LineIndex(line < 0 ? LineFromChar(Caret()) : line);
      return true;
    }
    case EM_LINEFROMCHAR: {
      Integer index = Integer(NativeInt(m.WParam));
      m.Result = LineFromChar(index < 0 ? Caret() : index);
      return true;
    }
    case EM_LINELENGTH: {
      Integer index = Integer(NativeInt(m.WParam));
      m.Result = lines_[size_t(LineFromChar(index < 0 ? Caret() : index))].chars;
      return true;
    }
    case EM_GETFIRSTVISIBLELINE: m.Result = topRow_; return true;
    case EM_LINESCROLL: m.Result = TRUE; ScrollBy(Integer(NativeInt(m.WParam)), Integer(m.LParam)); return true;
    case EM_SCROLL: {
      const Integer rows[] = {-1, 1, -VisibleRows(), VisibleRows()};
      Integer before = topRow_;
      if (m.WParam <= SB_PAGEDOWN) ScrollBy(0, rows[m.WParam]);
      m.Result = MAKELONG(WORD(topRow_ - before), TRUE);
      return true;
    }
    case WM_VSCROLL:
    case WM_HSCROLL: {
      const bool vert = m.Msg == WM_VSCROLL;
      const int code = LOWORD(uintptr_t(m.WParam));
      const Integer page = vert ? VisibleRows() : std::max(1, e.ClientWidth() / 8);
      Integer pos = vert ? topRow_ : e.scroll_;
      SCROLLINFO si;
      si.fMask = SIF_TRACKPOS | SIF_POS;
      GetScrollInfo(e.Handle(), vert ? SB_VERT : SB_HORZ, &si);
      switch (code) {
        case SB_LINEUP: pos -= vert ? 1 : 8; break;
        case SB_LINEDOWN: pos += vert ? 1 : 8; break;
        case SB_PAGEUP: pos -= page; break;
        case SB_PAGEDOWN: pos += page; break;
        case SB_THUMBTRACK: pos = si.nTrackPos; break;
        case SB_THUMBPOSITION: pos = HIWORD(uintptr_t(m.WParam)); break;
        case SB_TOP: pos = 0; break;
        case SB_BOTTOM: pos = vert ? RowCount() : MaxWidth(); break;
        default: return true;
      }
      if (vert) {
        SetTop(std::clamp(pos, 0, std::max(0, RowCount() - VisibleRows())), e.scroll_);
      } else {
        Integer maxX = Wraps() ? 0 : std::max(0, MaxWidth() + e.leftMargin_ + e.rightMargin_ - e.ClientWidth());
        SetTop(topRow_, std::clamp(pos, 0, maxX));
      }
      m.Result = 0;
      return true;
    }
    case WM_MOUSEWHEEL:
      ScrollBy(0, -3 * GET_WHEEL_DELTA_WPARAM(m.WParam) / WHEEL_DELTA);
      m.Result = 0;
      return true;
    case EM_SCROLLCARET: KeepCaretVisible(); return true;
    case EM_POSFROMCHAR: {
      Integer pos = Integer(m.WParam);
      if (pos < 0 || pos > CharCount()) {
        m.Result = -1;
        return true;
      }
      Integer rowStart = 0, line = 0;
      Integer row = RowOfIndex(pos, &rowStart, &line);
      Integer x = e.leftMargin_ - e.scroll_ + XOf(line, rowStart, pos - LineIndex(line));
      m.Result = NativeInt(MAKELONG(WORD(SHORT(x)), WORD(SHORT((row - topRow_) * RowHeight()))));
      return true;
    }
    case EM_CHARFROMPOS: {
      Integer row = topRow_ + GET_Y_LPARAM(m.LParam) / RowHeight();
      Integer index = IndexAt(row, GET_X_LPARAM(m.LParam));
      m.Result = NativeInt(MAKELONG(WORD(index), WORD(LineFromChar(index))));
      return true;
    }
    case EM_GETRECT:
      if (m.LParam)
        *reinterpret_cast<RECT*>(m.LParam) = Rect(e.leftMargin_, 0, e.ClientWidth() - e.rightMargin_, e.ClientHeight());
      return true;
    case WM_GETTEXTLENGTH: m.Result = NativeInt(Text().size()); return true;
    case WM_GETTEXT: {
      auto* buf = reinterpret_cast<char*>(m.LParam);
      size_t room = size_t(m.WParam);
      if (!buf || room == 0) {
        m.Result = 0;
        return true;
      }
      String t = Text();
      size_t n = 0;
      while (n < t.size()) {
        size_t len = std::max<size_t>(1, Utf8SequenceLength(t, n));
        if (n + len > room - 1) break;
        n += len;
      }
      std::copy(t.begin(), t.begin() + ptrdiff_t(n), buf);
      buf[n] = '\0';
      m.Result = NativeInt(n);
      return true;
    }
    case WM_SIZE:
      if (Wraps() && wrapWidth_ != WrapWidth()) LayoutChanged();
      else UpdateScrollBars();
      return false;
    default: return false;
  }
}

void TEditLines::SetScrollBars(TScrollStyle v) {
  if (scrollBars_ == v) return;
  scrollBars_ = v;
  if (edit_->HandleAllocated()) edit_->RecreateWnd();
  LayoutChanged();
}

void TEditLines::SetWordWrap(bool v) {
  if (wordWrap_ == v) return;
  wordWrap_ = v;
  if (edit_->HandleAllocated()) edit_->RecreateWnd();
  edit_->scroll_ = 0;
  LayoutChanged();
}

TPoint TEditLines::CaretPos() {
  Integer c = Caret();
  Integer ln = LineFromChar(c);
  return TPoint(c - LineIndex(ln), ln);
}

void TEditLines::SetCaretPos(const TPoint& p) {
  Integer start = LineIndex(std::clamp(Integer(p.Y), 0, LineCount() - 1));
  edit_->anchor_ = start + p.X;
  MoveCaret(start + p.X, false);
}

void TEditLines::Paint(TCanvas* c) {
  TCustomEdit& e = *edit_;
  if (Wraps() && wrapWidth_ != WrapWidth()) LayoutChanged();
  TRect r = e.ClientRect();
  c->Brush()->SetColor(e.enabled_ ? e.color_ : clBtnFace);
  c->FillRect(r);
  HDC dc = c->Handle();
  int saved = SaveDC(dc);
  IntersectClipRect(dc, 0, 0, r.Right - e.rightMargin_, r.Bottom);
  c->Font()->Assign(e.font_.get());
  const TColor ink = e.enabled_ ? e.font_->Color() : clGrayText;
  c->Brush()->SetStyle(bsClear);
  const Integer h = RowHeight();
  const bool showSelection = e.selLength_ > 0 && (e.Focused() || (e.WindowStyle() & ES_NOHIDESEL));
  const Integer selA = e.selStart_, selB = e.selStart_ + e.selLength_;
  const Integer rows = RowCount();
  Integer row = topRow_;
  Integer line = rows > 0 ? Integer(rowSums_->Find(row)) : 0;
  Integer r0 = row - rowSums_->Prefix(size_t(line));
  for (Integer y = 0; y < r.Bottom && row < rows; y += h, ++row) {
    const TextLine& l = lines_[size_t(line)];
    const Integer from = r0 > 0 ? l.breaks[size_t(r0 - 1)] : 0;
    const Integer to = r0 < Integer(l.breaks.size()) ? l.breaks[size_t(r0)] : l.chars;
    const size_t a = ByteOf(l.text, from), b = ByteOf(l.text, to);
    const Integer x0 = e.leftMargin_ - e.scroll_;
    c->Font()->SetColor(ink);
    c->TextOut(x0, y, l.text.substr(a, b - a));
    if (showSelection) {
      const Integer base = LineIndex(line);
      // The row's selected part; a selected break shows as a little box after the line.
      Integer sa = std::max(selA - base, from), sb = std::min(selB - base, to);
      const bool breakSelected = to == l.chars && line + 1 < LineCount() && selA <= base + l.chars && selB > base + l.chars;
      if (sa < sb || breakSelected) {
        Integer xa = sa < sb ? x0 + XOf(line, from, sa) : x0 + XOf(line, from, to);
        Integer xb = sa < sb ? x0 + XOf(line, from, sb) : xa;
        if (breakSelected) xb += std::max(2, h / 3);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clHighlight);
        c->FillRect(Rect(xa, y, xb, y + h));
        c->Brush()->SetStyle(bsClear);
        if (sa < sb) {
          size_t sa8 = ByteOf(l.text, sa), sb8 = ByteOf(l.text, sb);
          c->Font()->SetColor(clHighlightText);
          c->TextOut(xa, y, l.text.substr(sa8, sb8 - sa8));
        }
      }
    }
    if (++r0 > Integer(l.breaks.size())) {
      ++line;
      r0 = 0;
    }
  }
  c->Brush()->SetStyle(bsSolid);
  RestoreDC(dc, saved);
  c->Refresh();
}

// ---- memo ----------------------------------------------------------------------------------

PTypeInfo ScrollStyleTypeInfo() {
  static PTypeInfo t = EnumTypeInfo("TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
  return t;
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TCustomMemo) {
  p.Object("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines, TStrings::StaticClass());
  p.Enum("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars, ScrollStyleTypeInfo()).Default(ssNone);
  p.Bool("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns).Default(true);
  p.Bool("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs).Default(false);
  p.Bool("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).Default(true);
}

KORVAN_IMPLEMENT_CLASS(TMemo)

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner) {
  width_ = 185;
  height_ = 89;
  autoSelect_ = false;
  MakeMultiLine();
}
