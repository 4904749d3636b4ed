#include "db/CsvReader.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

#include "rtl/SysUtils.h"

namespace {

String Quoted(const String& file_name) { return "'" + file_name + "'"; }

// ---------------------------------------------------------------------------------------------
// Encodings

// The length of the valid UTF-8 sequence at p (0: invalid; -1: cut by the end).
int Utf8SequenceAt(const unsigned char* p, const unsigned char* end) {
  unsigned c = *p;
  if (c < 0x80) return 1;
  int n;
  uint32_t cp;
  if (c >= 0xC2 && c <= 0xDF) { n = 1; cp = c & 0x1F; }
  else if (c >= 0xE0 && c <= 0xEF) { n = 2; cp = c & 0x0F; }
  else if (c >= 0xF0 && c <= 0xF4) { n = 3; cp = c & 0x07; }
  else return 0;
  for (int i = 1; i <= n; ++i) {
    if (p + i >= end) return -1;
    if ((p[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return n + 1;
}

bool IsValidUtf8(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const auto* end = p + s.size();
  while (p < end) {
    // ASCII runs eight bytes at a time.
    while (end - p >= 8) {
      uint64_t w;
      std::memcpy(&w, p, 8);
      if (w & 0x8080808080808080ull) break;
      p += 8;
    }
    if (p >= end) break;
    int n = Utf8SequenceAt(p, end);
    if (n <= 0) return false;
    p += n;
  }
  return true;
}

// Converts through ICU, stopping at the first byte sequence the encoding does not define.
bool ConvertToUtf8(const char* encoding, std::string_view bytes, String& out) {
  UErrorCode err = U_ZERO_ERROR;
  std::unique_ptr<UConverter, void (*)(UConverter*)> conv(ucnv_open(encoding, &err), ucnv_close);
  if (U_FAILURE(err)) return false;
  err = U_ZERO_ERROR;  // an alias warning is no failure
  ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
  if (U_FAILURE(err)) return false;
  // Through a small buffer of UTF-16 units, so that the file is never held twice over; a first
  // pass measures the text so that it is allocated once.
  std::vector<UChar> buffer(std::size_t(1) << 15);
  auto convert = [&](auto&& put) {
    ucnv_resetToUnicode(conv.get());
    const char* src = bytes.data();
    const char* end = src + bytes.size();
    uint32_t high = 0;  // a high surrogate waiting for its pair
    for (;;) {
      UChar* target = buffer.data();
      err = U_ZERO_ERROR;
      ucnv_toUnicode(conv.get(), &target, buffer.data() + buffer.size(), &src, end, nullptr, true, &err);
      for (const UChar* u = buffer.data(); u < target; ++u) {
        uint32_t cp = *u;
        if (high != 0) {
          if (cp < 0xDC00 || cp > 0xDFFF) return false;  // an unpaired surrogate
          put(0x10000 + ((high - 0xD800) << 10) + (cp - 0xDC00));
          high = 0;
        } else if (cp >= 0xD800 && cp <= 0xDBFF) {
          high = cp;
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
          return false;
        } else {
          put(cp);
        }
      }
      if (err == U_BUFFER_OVERFLOW_ERROR) continue;
      if (U_FAILURE(err)) return false;
      return high == 0;
    }
  };
  std::size_t length = 0;
  if (!convert([&](uint32_t cp) { length += cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4; })) return false;
  out.clear();
  out.reserve(length);
  return convert([&](uint32_t cp) { AppendUtf8(out, char32_t(cp)); });
}

// Counts the valid multi-byte sequences and the bytes that start no valid sequence; a
// sequence cut by the end of a sample that is not the whole file counts as neither.
void CountUtf8(std::string_view s, bool whole, std::size_t& multi, std::size_t& invalid) {
  multi = invalid = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const auto* end = p + s.size();
  while (p < end) {
    if (*p < 0x80) {
      ++p;
      continue;
    }
    int n = Utf8SequenceAt(p, end);
    if (n < 0 && !whole) break;
    if (n <= 0) {
      ++invalid;
      ++p;
    } else {
      ++multi;
      p += n;
    }
  }
}

// UTF-8 text with every byte that starts no valid sequence replaced by U+FFFD.
String RepairUtf8(std::string_view s) {
  String out;
  out.reserve(s.size() + s.size() / 16);
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const auto* end = p + s.size();
  while (p < end) {
    const unsigned char* run = p;
    while (p < end && *p < 0x80) ++p;
    out.append(reinterpret_cast<const char*>(run), std::size_t(p - run));
    if (p >= end) break;
    int n = Utf8SequenceAt(p, end);
    if (n <= 0) {
      out += "\xEF\xBF\xBD";
      ++p;
    } else {
      out.append(reinterpret_cast<const char*>(p), std::size_t(n));
      p += n;
    }
  }
  return out;
}

// The first bytes of a file decide its encoding, whatever part of it is read later.
constexpr std::size_t kEncodingSample = std::size_t(1) << 20;

// Decodes into `storage` unless the bytes can be used as they stand; returns the UTF-8 view.
// `head` is the file's beginning (up to kEncodingSample bytes, `head_whole` when that is all
// of it). The encoding is decided on the head, or, when the head is plain ASCII and shows
// nothing, on the bytes read: UTF-16 by its byte-order mark; UTF-8 when the text holds no
// invalid sequence or far more valid multi-byte sequences than invalid bytes (those become
// U+FFFD); else Shift-JIS when that reads it; else UTF-8 again when it had valid sequences.
std::string_view Decode(std::string_view bytes, std::string_view head, bool head_whole, const String& file_name,
                        String& storage, String& encoding) {
  auto starts = [&](const char* bom, std::size_t n) { return bytes.size() >= n && std::memcmp(bytes.data(), bom, n) == 0; };
  if (starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2)) {
    bool little = bytes[0] == '\xFF';
    encoding = little ? "UTF-16LE" : "UTF-16BE";
    std::string_view body = bytes.substr(2);
    if (body.size() % 2 != 0 || !ConvertToUtf8(encoding.c_str(), body, storage))
      throw ECsvError("The file " + Quoted(file_name) + " is not valid " + encoding + " text");
    if (storage.find('\0') != String::npos)
      throw ECsvError("The file " + Quoted(file_name) + " is not a text file");
    return storage;
  }
  std::string_view body = bytes;
  bool bom = starts("\xEF\xBB\xBF", 3);
  if (bom) body = bytes.substr(3);
  if (std::memchr(body.data(), 0, body.size()) != nullptr)
    throw ECsvError("The file " + Quoted(file_name) + " is not a text file");
  bool valid = IsValidUtf8(body);
  if (bom) {
    if (!valid) throw ECsvError("The file " + Quoted(file_name) + " is not valid UTF-8 text");
    encoding = "UTF-8";
    return body;
  }
  std::size_t multi = 0, invalid = 0;
  std::string_view sample = head;
  bool sample_whole = head_whole;
  CountUtf8(sample, sample_whole, multi, invalid);
  if (multi == 0 && invalid == 0) {
    // A plain ASCII beginning tells nothing: the bytes read decide.
    sample = body;
    sample_whole = true;
    CountUtf8(sample, true, multi, invalid);
  }
  bool utf8 = invalid == 0 || multi >= 4 * invalid;
  if (!utf8) {
    String probe;
    std::string_view sj = sample;
    if (!sample_whole) {
      // A double-byte character cut by the end of the sample is not an error.
      std::size_t keep = sj.size();
      while (keep > 0 && sj.size() - keep < 2 && static_cast<unsigned char>(sj[keep - 1]) >= 0x80) --keep;
      sj = sj.substr(0, keep);
    }
    if (ConvertToUtf8("Shift_JIS", sj, probe)) {
      if (!ConvertToUtf8("Shift_JIS", body, storage))
        throw ECsvError("The file " + Quoted(file_name) + " is neither UTF-8 nor Shift-JIS text");
      encoding = "Shift-JIS";
      return storage;
    }
    if (multi == 0) throw ECsvError("The file " + Quoted(file_name) + " is neither UTF-8 nor Shift-JIS text");
  }
  encoding = "UTF-8";
  if (valid) return body;
  storage = RepairUtf8(body);
  return storage;
}

// ---------------------------------------------------------------------------------------------
// Values

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool TryParseInt32(std::string_view s, int64_t& v) {
  if (s.empty()) return false;
  std::size_t i = 0;
  bool neg = false;
  if (s[0] == '+' || s[0] == '-') {
    neg = s[0] == '-';
    i = 1;
  }
  if (i == s.size() || s.size() - i > 11) return false;
  int64_t r = 0;
  for (; i < s.size(); ++i) {
    if (!IsDigit(s[i])) return false;
    r = r * 10 + (s[i] - '0');
  }
  if (neg) r = -r;
  if (r < INT32_MIN || r > INT32_MAX) return false;
  v = r;
  return true;
}

// Digits with at most one decimal point and an optional exponent; a sign in front.
bool TryParseFloat(std::string_view s, double& v) {
  std::size_t i = 0, n = s.size();
  if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t start_digits = i;
  std::size_t digits = 0;
  while (i < n && IsDigit(s[i])) { ++i; ++digits; }
  if (i < n && s[i] == '.') {
    ++i;
    while (i < n && IsDigit(s[i])) { ++i; ++digits; }
  }
  if (digits == 0) return false;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t exp_digits = 0;
    while (i < n && IsDigit(s[i])) { ++i; ++exp_digits; }
    if (exp_digits == 0) return false;
  }
  if (i != n) return false;
  const char* first = s.data() + start_digits;
  // from_chars takes no '+' and a '-' only when it is the first character.
  if (start_digits == 1 && s[0] == '-') first = s.data();
  auto res = std::from_chars(first, s.data() + n, v);
  if (res.ec != std::errc() || res.ptr != s.data() + n) return false;
  return v == v && v - v == 0;  // finite only
}

int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = unsigned(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + int64_t(doe) - 719468;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

bool ValidDate(int y, int m, int d) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  int md = days[m - 1] + (m == 2 && IsLeap(y) ? 1 : 0);
  return d <= md;
}

int ClockYear() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm.tm_year + 1900;
}

// Reads 1 to `max_digits` digits.
bool ReadNumber(std::string_view s, std::size_t& i, int max_digits, int& value, int& count) {
  value = 0;
  count = 0;
  while (i < s.size() && IsDigit(s[i]) && count < max_digits) {
    value = value * 10 + (s[i] - '0');
    ++i;
    ++count;
  }
  return count > 0 && !(i < s.size() && IsDigit(s[i]));
}

// hh:nn, hh:nn:ss or hh:nn:ss.zzz from position i to the end.
bool ReadTime(std::string_view s, std::size_t i, double& fraction) {
  int h, n, sec = 0, ms = 0, c;
  if (!ReadNumber(s, i, 2, h, c)) return false;
  if (i >= s.size() || s[i] != ':') return false;
  ++i;
  if (!ReadNumber(s, i, 2, n, c) || c != 2) return false;
  if (i < s.size() && s[i] == ':') {
    ++i;
    if (!ReadNumber(s, i, 2, sec, c) || c != 2) return false;
    if (i < s.size() && s[i] == '.') {
      ++i;
      if (!ReadNumber(s, i, 3, ms, c)) return false;
      for (; c < 3; ++c) ms *= 10;
    }
  }
  if (i != s.size() || h > 23 || n > 59 || sec > 59) return false;
  fraction = (h * 3600000.0 + n * 60000.0 + sec * 1000.0 + ms) / 86400000.0;
  return true;
}

double Compose(int y, int m, int d, double time) {
  double days = double(DaysFromCivil(y, unsigned(m), unsigned(d)) - DaysFromCivil(1899, 12, 30));
  return days < 0 ? days - time : days + time;
}

// A date part in the order y, m, d given by `order` ("ymd", "mdy", "dmy"), with one separator.
bool ReadDate(std::string_view s, std::size_t& i, const char* order, const char* seps,
              const TCsvLocale& locale, int& y, int& m, int& d) {
  char sep = 0;
  int parts[3];
  int counts[3];
  for (int k = 0; k < 3; ++k) {
    int max_digits = order[k] == 'y' ? 4 : 2;
    if (!ReadNumber(s, i, max_digits, parts[k], counts[k])) return false;
    if (k < 2) {
      if (i >= s.size()) return false;
      char c = s[i];
      bool is_sep = false;
      for (const char* q = seps; *q != '\0'; ++q) is_sep |= *q == c;
      if (!is_sep) return false;
      if (sep == 0) sep = c;
      else if (c != sep) return false;
      ++i;
    }
  }
  for (int k = 0; k < 3; ++k) {
    if (order[k] == 'y') {
      y = parts[k];
      if (counts[k] <= 2) {
        if (order[0] == 'y') return false;  // year-first forms take four digits
        int window = locale.TwoDigitYearCenturyWindow;
        int current = locale.CurrentYear > 0 ? locale.CurrentYear : ClockYear();
        if (window > 0) {
          int threshold = current - window;
          y += threshold / 100 * 100;
          if (y < threshold) y += 100;
        } else {
          y += current / 100 * 100;
        }
      } else if (counts[k] == 3) {
        return false;
      }
      if (counts[k] == 1) return false;
    } else if (order[k] == 'm') {
      m = parts[k];
    } else {
      d = parts[k];
    }
  }
  return ValidDate(y, m, d);
}

// The order of day, month and year in a short date format such as "M/d/yyyy" or "yyyy/MM/dd".
String DateOrder(const String& format) {
  String order;
  for (char c : format) {
    char l = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if ((l == 'd' || l == 'm' || l == 'y') && order.find(l) == String::npos) order += l;
  }
  if (order.size() != 3) order = "mdy";
  return order;
}

bool TryDateTime(std::string_view s, const TCsvLocale& locale, const String& order, const char* locale_seps,
                 double& value) {
  if (s.empty() || !IsDigit(s[0])) return false;
  // A time alone.
  double fraction = 0;
  if (s.size() >= 4 && (s[1] == ':' || s[2] == ':') && ReadTime(s, 0, fraction)) {
    value = fraction;
    return true;
  }
  auto finish = [&](std::size_t i, int y, int m, int d) {
    double t = 0;
    if (i < s.size()) {
      if (s[i] != ' ' && s[i] != 'T') return false;
      std::size_t j = i + 1;
      while (s[i] == ' ' && j < s.size() && s[j] == ' ') ++j;
      if (!ReadTime(s, j, t)) return false;
    }
    value = Compose(y, m, d, t);
    return true;
  };
  int y = 0, m = 0, d = 0;
  std::size_t i = 0;
  if (ReadDate(s, i, "ymd", "-/.", locale, y, m, d) && finish(i, y, m, d)) return true;
  i = 0;
  if (order != "ymd" && ReadDate(s, i, order.c_str(), locale_seps, locale, y, m, d) && finish(i, y, m, d))
    return true;
  return false;
}

// ---------------------------------------------------------------------------------------------
// Column building. A column keeps its narrowest type so far and its values converted to it;
// texts are kept only once the column is text. When a column turns to text after some
// records, the texts of those records are read again from the file text at the end, in one
// pass for all such columns.

enum class TGuess : uint8_t { Unknown, Int, Float, Date, Text };

struct TColumnBuilder {
  TGuess guess = TGuess::Unknown;
  std::size_t rows = 0;           // values added so far
  bool any_value = false;         // a non-null value was seen
  TMemBits nulls;                 // while not text
  std::vector<int32_t> ints;
  std::vector<double> floats;     // floats or dates
  TMemColumn text{TMemColumnKind::Text};  // once text: the values from row text_from on
  std::size_t text_from = 0;
  std::size_t max_chars = 0;
};

std::size_t CharCount(std::string_view s) {
  std::size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

void NoteLength(TColumnBuilder& col, std::string_view value) {
  if (value.size() > col.max_chars) {
    std::size_t chars = value.size() <= MaxCsvStringSize ? value.size() : CharCount(value);
    if (chars > col.max_chars) col.max_chars = chars;
  }
}

struct TGuessContext {
  const TCsvLocale* locale;
  String order;
  String locale_seps;
};

void ToText(TColumnBuilder& col) {
  col.guess = TGuess::Text;
  if (!col.any_value) {
    // Only nulls so far: nothing to read again.
    col.text = TMemColumn::NullTexts(col.rows);
    col.text_from = 0;
  } else {
    col.text_from = col.rows;
  }
  col.nulls = TMemBits();
  std::vector<int32_t>().swap(col.ints);
  std::vector<double>().swap(col.floats);
}

void AddValue(TColumnBuilder& col, std::string_view value, const TGuessContext& ctx) {
  if (col.guess == TGuess::Text) {
    col.text.AppendText(value);
    NoteLength(col, value);
    ++col.rows;
    return;
  }
  std::string_view v = TrimBlanks(value);
  int64_t iv;
  double dv;
  bool ok = true;
  switch (col.guess) {
    case TGuess::Unknown:
      if (TryParseInt32(v, iv)) {
        col.guess = TGuess::Int;
        col.ints.resize(col.rows, 0);
        col.ints.push_back(int32_t(iv));
      } else if (TryParseFloat(v, dv)) {
        col.guess = TGuess::Float;
        col.floats.resize(col.rows, 0);
        col.floats.push_back(dv);
      } else if (TryDateTime(v, *ctx.locale, ctx.order, ctx.locale_seps.c_str(), dv)) {
        col.guess = TGuess::Date;
        col.floats.resize(col.rows, 0);
        col.floats.push_back(dv);
      } else {
        ok = false;
      }
      break;
    case TGuess::Int:
      if (TryParseInt32(v, iv)) {
        col.ints.push_back(int32_t(iv));
      } else if (TryParseFloat(v, dv)) {
        col.guess = TGuess::Float;
        col.floats.reserve(col.ints.capacity());
        for (int32_t x : col.ints) col.floats.push_back(double(x));
        std::vector<int32_t>().swap(col.ints);
        col.floats.push_back(dv);
      } else {
        ok = false;
      }
      break;
    case TGuess::Float:
      if (TryParseFloat(v, dv)) col.floats.push_back(dv);
      else ok = false;
      break;
    case TGuess::Date:
      if (TryDateTime(v, *ctx.locale, ctx.order, ctx.locale_seps.c_str(), dv)) col.floats.push_back(dv);
      else ok = false;
      break;
    case TGuess::Text:
      break;
  }
  if (ok) {
    col.nulls.push_back(false);
    NoteLength(col, value);
    col.any_value = true;
    ++col.rows;
    return;
  }
  ToText(col);
  col.text.AppendText(value);
  NoteLength(col, value);
  col.any_value = true;
  ++col.rows;
}

void AddNull(TColumnBuilder& col) {
  if (col.guess == TGuess::Text) {
    col.text.AppendNull();
  } else {
    col.nulls.push_back(true);
    if (col.guess == TGuess::Int) col.ints.push_back(0);
    else if (col.guess == TGuess::Float || col.guess == TGuess::Date) col.floats.push_back(0);
  }
  ++col.rows;
}

// ---------------------------------------------------------------------------------------------
// Splitting the text into records and values.

// A quoted value that runs to the end of the text; `offset` is where its quote stands.
struct TUnterminatedQuote {
  std::size_t offset;
};

class TSplitter {
 public:
  explicit TSplitter(std::string_view text) : begin_(text.data()), p_(text.data()), end_(text.data() + text.size()) {}

  bool AtEnd() const { return p_ >= end_; }
  std::size_t Remaining() const { return std::size_t(end_ - p_); }

  // Skips lines that hold nothing at all.
  void SkipEmptyLines() {
    while (p_ < end_ && (*p_ == '\r' || *p_ == '\n')) ++p_;
  }

  // Reads the next value of the current record. Returns false at the end of the record (and
  // moves past its line break). `quoted` tells whether the value was quoted; an unquoted value
  // is a view into the text, a quoted one lives in the scratch buffer.
  // Precondition: called at the start of a value.
  void ReadValue(std::string_view& value, bool& quoted, bool& last) {
    const char* p = p_;
    if (p < end_ && *p == '"') {
      quoted = true;
      scratch_.clear();
      ++p;
      for (;;) {
        const char* q = static_cast<const char*>(std::memchr(p, '"', std::size_t(end_ - p)));
        if (q == nullptr) throw TUnterminatedQuote{std::size_t(p_ - begin_)};
        scratch_.append(p, std::size_t(q - p));
        p = q + 1;
        if (p < end_ && *p == '"') {
          scratch_ += '"';
          ++p;
          continue;
        }
        break;
      }
      // Characters between the closing quote and the next separator are kept.
      const char* s = p;
      while (p < end_ && *p != ',' && *p != '\r' && *p != '\n') ++p;
      scratch_.append(s, std::size_t(p - s));
      value = scratch_;
    } else {
      quoted = false;
      const char* s = p;
      // Eight bytes at a time while none of them ends the value.
      constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
      auto has = [](uint64_t w, char c) {
        uint64_t x = w ^ (kOnes * static_cast<unsigned char>(c));
        return (x - kOnes) & ~x & kHighs;
      };
      while (end_ - p >= 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        if (has(w, ',') | has(w, '\r') | has(w, '\n')) break;
        p += 8;
      }
      while (p < end_) {
        char c = *p;
        if (c == ',' || c == '\r' || c == '\n') break;
        ++p;
      }
      value = std::string_view(s, std::size_t(p - s));
    }
    last = true;
    if (p < end_) {
      if (*p == ',') {
        last = false;
        ++p;
      } else if (*p == '\r') {
        ++p;
        if (p < end_ && *p == '\n') ++p;
      } else {
        ++p;
      }
    }
    p_ = p;
  }

 private:
  const char* begin_;
  const char* p_;
  const char* end_;
  String scratch_;
};

// The line (from 1) on which the byte at `offset` stands; CR LF, CR and LF each end a line.
std::size_t LineAt(std::string_view text, std::size_t offset) {
  std::size_t line = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i)
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++line;
  return line;
}

TCsvColumnType FinishColumn(TColumnBuilder& b, TMemColumn& out) {
  switch (b.guess) {
    case TGuess::Int:
      out = TMemColumn::FromInts(std::move(b.nulls), std::move(b.ints));
      return TCsvColumnType::Integer;
    case TGuess::Float:
    case TGuess::Date: {
      bool date = b.guess == TGuess::Date;
      out = TMemColumn::FromFloats(std::move(b.nulls), std::move(b.floats));
      return date ? TCsvColumnType::DateTime : TCsvColumnType::Float;
    }
    case TGuess::Unknown:
      out = TMemColumn::NullTexts(b.rows);
      b.nulls = TMemBits();
      return TCsvColumnType::String;
    case TGuess::Text:
      break;
  }
  out = std::move(b.text);
  return b.max_chars > std::size_t(MaxCsvStringSize) ? TCsvColumnType::Memo : TCsvColumnType::String;
}

String LowerAscii(const String& s) {
  String r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return r;
}

std::vector<String> UniqueNames(std::vector<String> names) {
  std::unordered_set<String> used;
  for (std::size_t i = 0; i < names.size(); ++i) {
    String n(TrimBlanks(names[i]));
    if (n.empty()) n = "F" + std::to_string(i + 1);
    String candidate = n;
    for (int k = 1; used.count(LowerAscii(candidate)) != 0; ++k) candidate = n + std::to_string(k);
    used.insert(LowerAscii(candidate));
    names[i] = candidate;
  }
  return names;
}

// The first read of a file whose records are limited.
constexpr std::size_t kFirstRead = std::size_t(1) << 20;

// Where the first `lines` non-empty lines (records, quoted line breaks included) of `n` code
// units end, as a unit index, when they end before the units do; npos otherwise. `unit(i)`
// gives the i-th code unit. Values are split as TSplitter splits them.
template <class Unit>
std::size_t ScanRecords(std::size_t n, const Unit& unit, uint64_t lines, uint64_t& seen) {
  seen = 0;
  std::size_t i = 0;
  auto is_break = [&](std::size_t k) { return unit(k) == '\r' || unit(k) == '\n'; };
  for (uint64_t r = 0; r < lines; ++r) {
    while (i < n && is_break(i)) ++i;
    if (i >= n) return String::npos;
    for (;;) {
      if (i < n && unit(i) == '"') {
        for (++i;;) {
          while (i < n && unit(i) != '"') ++i;
          if (i >= n) return String::npos;  // the quote may close in the rest of the file
          ++i;
          if (i < n && unit(i) == '"') {
            ++i;
            continue;
          }
          break;
        }
      }
      while (i < n && unit(i) != ',' && !is_break(i)) ++i;
      if (i >= n) return String::npos;  // a record that runs into the end may go on
      if (unit(i) == ',') {
        ++i;
        continue;
      }
      if (unit(i) == '\r' && i + 1 < n && unit(i + 1) == '\n') ++i;
      ++i;
      break;
    }
    seen = r + 1;
  }
  return i < n ? i : String::npos;
}

// The same for the bytes of a file's beginning, as a byte count: UTF-8 (or Shift-JIS, whose
// second bytes are never quotes, commas or line breaks) and UTF-16 after its byte-order mark.
std::size_t EndOfRecords(std::string_view bytes, uint64_t lines, uint64_t& seen) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.size() >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
    bool little = b[0] == 0xFF;
    std::size_t units = (bytes.size() - 2) / 2;
    auto unit = [&](std::size_t k) {
      const unsigned char* u = b + 2 + 2 * k;
      return little ? unsigned(u[0] | (u[1] << 8)) : unsigned((u[0] << 8) | u[1]);
    };
    std::size_t end = ScanRecords(units, unit, lines, seen);
    return end == String::npos ? end : 2 + 2 * end;
  }
  auto unit = [&](std::size_t k) { return unsigned(b[k]); };
  return ScanRecords(bytes.size(), unit, lines, seen);
}

TCsvTable ReadCsvText(std::string_view bytes, std::string_view head, bool head_whole, const TCsvOptions& options,
                      const String& file_name);
void ReadRecords(std::string_view text, const TCsvOptions& options, const String& file_name, TCsvTable& table);

}  // namespace

bool TryParseCsvDateTime(std::string_view text, const TCsvLocale& locale, double& value) {
  String seps;
  seps += locale.DateSeparator;
  seps += "/-";
  return TryDateTime(TrimBlanks(text), locale, DateOrder(locale.ShortDateFormat), seps.c_str(), value);
}

String DecodeCsvBytes(std::string_view bytes, const String& file_name, String* encoding) {
  String storage, enc;
  std::string_view text = Decode(bytes, bytes.substr(0, kEncodingSample), bytes.size() <= kEncodingSample, file_name,
                                 storage, enc);
  if (encoding) *encoding = enc;
  return storage.empty() ? String(text) : storage;
}

TCsvTable ReadCsvBytes(std::string_view bytes, const TCsvOptions& options, const String& file_name) {
  return ReadCsvText(bytes, bytes.substr(0, kEncodingSample), bytes.size() <= kEncodingSample, options, file_name);
}

namespace {

// `bytes`: what is read of the file; `head`: the file's beginning that decides the encoding.
TCsvTable ReadCsvText(std::string_view bytes, std::string_view head, bool head_whole, const TCsvOptions& options,
                      const String& file_name) {
  TCsvTable table;
  String storage;
  std::string_view text = Decode(bytes, head, head_whole, file_name, storage, table.Encoding);
  try {
    ReadRecords(text, options, file_name, table);
  } catch (const TUnterminatedQuote& u) {
    throw ECsvError("The file " + Quoted(file_name) + " has a quoted value without its closing quote, starting on line " +
                    std::to_string(LineAt(text, u.offset)));
  }
  return table;
}

void ReadRecords(std::string_view text, const TCsvOptions& options, const String& file_name, TCsvTable& table) {
  TSplitter split(text);
  split.SkipEmptyLines();
  if (split.AtEnd()) return;  // an empty file: no columns, no records

  std::vector<String> names;
  std::string_view value;
  bool quoted = false, last = false;
  do {
    split.ReadValue(value, quoted, last);
    names.emplace_back(value);
    if (names.size() > std::size_t(MaxCsvColumns))
      throw ECsvError("The file " + Quoted(file_name) + " has more than " + std::to_string(MaxCsvColumns) +
                      " columns");
  } while (!last);
  table.Names = UniqueNames(std::move(names));
  std::unordered_set<String> used;
  for (const String& n : table.Names) used.insert(LowerAscii(n));

  TGuessContext ctx;
  ctx.locale = &options.Locale;
  ctx.order = DateOrder(options.Locale.ShortDateFormat);
  ctx.locale_seps = String(1, options.Locale.DateSeparator) + "/-";
  std::vector<TColumnBuilder> cols(table.Names.size());
  // Values beyond the header's columns go to columns added for them, named as blank header
  // names are ("F" and the ordinal), null in the records before.
  auto add_column = [&](std::size_t records_before) {
    if (cols.size() >= std::size_t(MaxCsvColumns))
      throw ECsvError("The file " + Quoted(file_name) + " has more than " + std::to_string(MaxCsvColumns) + " columns");
    String n = "F" + std::to_string(cols.size() + 1), candidate = n;
    for (int k = 1; used.count(LowerAscii(candidate)) != 0; ++k) candidate = n + std::to_string(k);
    used.insert(LowerAscii(candidate));
    table.Names.push_back(candidate);
    TColumnBuilder& b = cols.emplace_back();
    b.nulls.assign(records_before, true);
    b.rows = records_before;
  };

  std::size_t records = 0;
  const uint64_t limit = options.MaxRecords < 0 ? UINT64_MAX : uint64_t(options.MaxRecords);
  const TSplitter data_start = split;
  for (;;) {
    split.SkipEmptyLines();
    if (split.AtEnd() || records >= limit) break;
    std::size_t c = 0;
    do {
      split.ReadValue(value, quoted, last);
      if (c >= cols.size()) add_column(records);
      if (value.empty() && !quoted) AddNull(cols[c]);
      else AddValue(cols[c], value, ctx);
      ++c;
    } while (!last);
    for (; c < cols.size(); ++c) AddNull(cols[c]);  // a short line: the missing values are null
    ++records;
    if (records == 1024 && split.Remaining() > 0) {
      // Room for the records to come, estimated from the first ones, so that the columns
      // grow without being copied again and again.
      double consumed = double(text.size() - split.Remaining());
      double factor = double(text.size()) / consumed * 1.1;
      std::size_t rows = std::size_t(double(records) * factor) + 16;
      if (rows > limit) rows = std::size_t(limit);
      for (TColumnBuilder& col : cols) {
        if (col.guess == TGuess::Text) {
          col.text.Reserve(rows);
          col.text.ReserveText(std::size_t(double(col.text.TextBytes()) * factor) + 64);
        } else {
          col.nulls.reserve(rows);
        }
        if (col.guess == TGuess::Int) col.ints.reserve(rows);
        if (col.guess == TGuess::Float || col.guess == TGuess::Date) col.floats.reserve(rows);
      }
    }
  }

  // Columns that turned to text late: their earlier texts, read again in one pass.
  const std::size_t ncols = cols.size();
  std::vector<int> late(ncols, -1);
  std::vector<TMemColumn> early;
  std::size_t reread = 0;
  for (std::size_t c = 0; c < ncols; ++c) {
    if (cols[c].guess == TGuess::Text && cols[c].text_from > 0) {
      late[c] = int(early.size());
      early.emplace_back(TMemColumnKind::Text);
      early.back().Reserve(cols[c].text_from);
      reread = std::max(reread, cols[c].text_from);
    }
  }
  if (reread > 0) {
    TSplitter again = data_start;
    for (std::size_t r = 0; r < reread; ++r) {
      again.SkipEmptyLines();
      std::size_t c = 0;
      do {
        again.ReadValue(value, quoted, last);
        if (c < ncols && late[c] >= 0 && r < cols[c].text_from) {
          TMemColumn& e = early[std::size_t(late[c])];
          if (value.empty() && !quoted) {
            e.AppendNull();
          } else {
            e.AppendText(value);
            NoteLength(cols[c], value);
          }
        }
        ++c;
      } while (!last);
      for (; c < ncols; ++c)
        if (late[c] >= 0 && r < cols[c].text_from) early[std::size_t(late[c])].AppendNull();
    }
    for (std::size_t c = 0; c < ncols; ++c) {
      if (late[c] < 0) continue;
      TMemColumn& e = early[std::size_t(late[c])];
      TMemColumn& rest = cols[c].text;
      e.Reserve(e.Count() + rest.Count());
      e.ReserveText(e.TextBytes() + rest.TextBytes());
      for (std::size_t i = 0; i < rest.Count(); ++i) {
        if (rest.IsNull(i)) e.AppendNull();
        else e.AppendText(rest.Text(i));
      }
      rest = std::move(e);
      cols[c].text_from = 0;
    }
  }

  table.RecordCount = records;
  table.Columns.resize(ncols);
  table.Types.resize(ncols);
  table.Sizes.resize(ncols);
  for (std::size_t c = 0; c < ncols; ++c) {
    table.Sizes[c] = int(std::max<std::size_t>(1, cols[c].max_chars));
    table.Types[c] = FinishColumn(cols[c], table.Columns[c]);
  }
}

}  // namespace

TCsvTable ReadCsvFile(const String& path, const TCsvOptions& options) {
  String file_name = path;
  std::size_t slash = path.find_last_of('/');
  if (slash != String::npos) file_name = path.substr(slash + 1);

  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR)
      throw ECsvError("The file " + Quoted(path) + " does not exist");
    throw ECsvError("The file " + Quoted(path) + " cannot be read: " + std::strerror(errno));
  }
  if (S_ISDIR(st.st_mode)) throw ECsvError(Quoted(path) + " is a folder, not a file");
  // Pipes and devices could block or never end.
  if (!S_ISREG(st.st_mode)) throw ECsvError(Quoted(path) + " is not a regular file and cannot be read");
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw ECsvError("The file " + Quoted(path) + " cannot be read: " + std::strerror(errno));
  std::unique_ptr<int, void (*)(int*)> closer(&fd, [](int* p) { ::close(*p); });
  // Read into memory rather than mapped: a file truncated by another program meanwhile must
  // not bring the program down. The buffer is not cleared first; the file fills it. With a
  // record limit only the beginning that holds those records is read (a few records of a
  // huge file need not fill the memory).
  const bool limited = options.MaxRecords >= 0;
  std::size_t capacity = limited ? std::min<std::size_t>(std::size_t(st.st_size) + 1, kFirstRead)
                                 : std::size_t(st.st_size) + 1;
  std::unique_ptr<char[]> buffer(new char[capacity]);
  std::size_t size = 0, filled = 0;
  bool at_end = false;
  bool scan = true;
  for (;;) {
    while (size < capacity) {
      ssize_t n = ::read(fd, buffer.get() + size, capacity - size);
      if (n < 0) {
        if (errno == EINTR) continue;
        throw ECsvError("The file " + Quoted(path) + " cannot be read: " + std::strerror(errno));
      }
      if (n == 0) {
        at_end = true;
        break;
      }
      size += std::size_t(n);
    }
    if (at_end) break;
    std::size_t wanted = capacity * 4;
    if (limited && scan) {
      uint64_t lines = uint64_t(options.MaxRecords) + 1, seen = 0;
      std::size_t cut = EndOfRecords(std::string_view(buffer.get(), size), lines, seen);
      if (cut != String::npos) {
        filled = size;
        size = cut;
        break;
      }
      // The bytes the records will take, from the lines seen so far; when that is most of the
      // file, the rest is read without looking for the end again.
      double estimate = double(size) / double(std::max<uint64_t>(seen, 1)) * double(lines) * 1.25;
      if (estimate >= double(st.st_size)) {
        wanted = std::max(wanted, std::size_t(st.st_size) + 1);
        scan = false;
      } else {
        wanted = std::max(wanted, std::size_t(estimate));
      }
    }
    std::unique_ptr<char[]> bigger(new char[wanted]);
    std::memcpy(bigger.get(), buffer.get(), size);
    buffer = std::move(bigger);
    capacity = wanted;
  }
  filled = std::max(filled, size);
  std::string_view head(buffer.get(), std::min(filled, kEncodingSample));
  bool head_whole = at_end ? filled <= kEncodingSample : uint64_t(st.st_size) <= kEncodingSample;
  return ReadCsvText(std::string_view(buffer.get(), size), head, head_whole, options, file_name);
}
