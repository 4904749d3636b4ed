#include "data/cxLike.h"

#include <cstring>
#include <string_view>
#include <vector>

std::size_t Utf8CharLength(const char* s, std::size_t n) {
  unsigned char c = static_cast<unsigned char>(s[0]);
  std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
  if (len > n) return 1;
  for (std::size_t k = 1; k < len; ++k)
    if ((static_cast<unsigned char>(s[k]) & 0xC0) != 0x80) return 1;
  return len;
}

namespace {

// One piece of the pattern between multi-character wildcards: literal bytes and
// single-character wildcards. `ops[i]` is a literal byte, or -1 for "any one character".
struct Piece {
  std::vector<int> ops;
  std::size_t literalPrefix = 0;  // number of leading literal bytes
  bool HasSingle() const {
    for (int op : ops)
      if (op < 0) return true;
    return false;
  }
};

// The pieces between runs of multi-character wildcards. The first piece is anchored at the
// start of the text and the last at its end; either may be empty.
struct Pattern {
  std::vector<Piece> pieces;
  bool anyMulti = false;
};

Pattern Parse(const char* p, std::size_t pLen, char multi, char single, char escape) {
  Pattern r;
  Piece cur;
  bool escaped = false;
  bool lastWasMulti = false;
  for (std::size_t i = 0; i < pLen; ++i) {
    char c = p[i];
    if (!escaped && escape != 0 && c == escape) {
      escaped = true;
      continue;
    }
    if (!escaped && c == multi) {
      r.anyMulti = true;
      if (!lastWasMulti) r.pieces.push_back(std::move(cur));
      cur = Piece();
      lastWasMulti = true;
      continue;
    }
    lastWasMulti = false;
    cur.ops.push_back(!escaped && c == single ? -1 : int(static_cast<unsigned char>(c)));
    escaped = false;
  }
  // A dangling escape character is dropped.
  r.pieces.push_back(std::move(cur));
  for (auto& piece : r.pieces)
    while (piece.literalPrefix < piece.ops.size() && piece.ops[piece.literalPrefix] >= 0) ++piece.literalPrefix;
  return r;
}

// Matches `piece` at s[pos]; on success `end` is the position after it.
bool MatchAt(const Piece& piece, const char* s, std::size_t sLen, std::size_t pos, std::size_t& end) {
  for (int op : piece.ops) {
    if (pos >= sLen) return false;
    if (op < 0) {
      pos += Utf8CharLength(s + pos, sLen - pos);
    } else {
      if (static_cast<unsigned char>(s[pos]) != op) return false;
      ++pos;
    }
  }
  end = pos;
  return true;
}

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Whether s[pos] starts a character, given that s[lo] does.
bool IsCharStart(const char* s, std::size_t sLen, std::size_t lo, std::size_t pos) {
  if (!IsContinuation(s[pos])) return true;
  std::size_t back = pos;
  while (back > lo && pos - back < 3 && IsContinuation(s[back])) --back;
  if (IsContinuation(s[back])) return true;  // a stray continuation byte counts as a character
  return Utf8CharLength(s + back, sLen - back) <= pos - back;
}

// Leftmost match of `piece` at or after `from`, starting on a character boundary.
bool FindPiece(const Piece& piece, const char* s, std::size_t sLen, std::size_t from, std::size_t& start,
               std::size_t& end) {
  if (piece.ops.empty()) {
    start = end = from;
    return true;
  }
  std::string_view text(s, sLen);
  std::string prefix;
  for (std::size_t i = 0; i < piece.literalPrefix; ++i) prefix += char(piece.ops[i]);
  std::size_t pos = from;
  while (pos < sLen) {
    if (!prefix.empty()) {
      pos = text.find(prefix, pos);
      if (pos == std::string_view::npos) return false;
      // A match inside a multi-byte character is no match of a whole character.
      if (!IsCharStart(s, sLen, from, pos)) {
        ++pos;
        continue;
      }
    }
    if (MatchAt(piece, s, sLen, pos, end)) {
      start = pos;
      return true;
    }
    pos += Utf8CharLength(s + pos, sLen - pos);
  }
  return false;
}

// Matches `piece` so that it ends exactly at sLen, starting at or after `from`.
bool MatchAtEnd(const Piece& piece, const char* s, std::size_t sLen, std::size_t from) {
  std::size_t pos = sLen;
  for (auto it = piece.ops.rbegin(); it != piece.ops.rend(); ++it) {
    if (pos <= from) return false;
    if (*it < 0) {
      // Step back over one whole character.
      std::size_t back = pos - 1;
      while (back > from && IsContinuation(s[back]) && pos - back < 4) --back;
      if (Utf8CharLength(s + back, pos - back) != pos - back) back = pos - 1;
      pos = back;
    } else {
      if (static_cast<unsigned char>(s[pos - 1]) != *it) return false;
      --pos;
    }
  }
  return pos >= from && (pos == sLen || IsCharStart(s, sLen, from, pos));
}

}  // namespace

// Patterns without an escape character are matched in place, without building pieces: the
// common case of filter conditions.
namespace {

struct RawPiece {
  const char* p;
  std::size_t len;
};

bool MatchRawAt(RawPiece piece, char single, const char* s, std::size_t sLen, std::size_t pos, std::size_t& end) {
  for (std::size_t i = 0; i < piece.len; ++i) {
    if (pos >= sLen) return false;
    if (piece.p[i] == single) {
      pos += Utf8CharLength(s + pos, sLen - pos);
    } else {
      if (s[pos] != piece.p[i]) return false;
      ++pos;
    }
  }
  end = pos;
  return true;
}

bool FindRawPiece(RawPiece piece, char single, const char* s, std::size_t sLen, std::size_t from, std::size_t& end) {
  std::string_view text(s, sLen);
  std::size_t prefix = 0;
  while (prefix < piece.len && piece.p[prefix] != single) ++prefix;
  std::string_view literal(piece.p, prefix);
  std::size_t pos = from;
  while (pos < sLen) {
    if (prefix > 0) {
      pos = text.find(literal, pos);
      if (pos == std::string_view::npos) return false;
      if (!IsCharStart(s, sLen, from, pos)) {
        ++pos;
        continue;
      }
    }
    if (MatchRawAt(piece, single, s, sLen, pos, end)) return true;
    pos += Utf8CharLength(s + pos, sLen - pos);
  }
  return false;
}

bool MatchRawAtEnd(RawPiece piece, char single, const char* s, std::size_t sLen, std::size_t from) {
  std::size_t pos = sLen;
  for (std::size_t i = piece.len; i-- > 0;) {
    if (pos <= from) return false;
    if (piece.p[i] == single) {
      std::size_t back = pos - 1;
      while (back > from && IsContinuation(s[back]) && pos - back < 4) --back;
      if (Utf8CharLength(s + back, pos - back) != pos - back) back = pos - 1;
      pos = back;
    } else {
      if (s[pos - 1] != piece.p[i]) return false;
      --pos;
    }
  }
  return pos >= from && (pos == sLen || IsCharStart(s, sLen, from, pos));
}

bool LikeMatchRaw(const char* s, std::size_t sLen, const char* p, std::size_t pLen, char multi, char single) {
  const char* pEnd = p + pLen;
  const char* m = static_cast<const char*>(std::memchr(p, multi, pLen));
  if (m == nullptr) {
    std::size_t end = 0;
    return MatchRawAt({p, pLen}, single, s, sLen, 0, end) && end == sLen;
  }
  std::size_t pos = 0;
  if (!MatchRawAt({p, std::size_t(m - p)}, single, s, sLen, 0, pos)) return false;
  const char* cursor = m;
  for (;;) {
    while (cursor < pEnd && *cursor == multi) ++cursor;
    const char* next = static_cast<const char*>(std::memchr(cursor, multi, std::size_t(pEnd - cursor)));
    if (next == nullptr) return MatchRawAtEnd({cursor, std::size_t(pEnd - cursor)}, single, s, sLen, pos);
    std::size_t end;
    if (!FindRawPiece({cursor, std::size_t(next - cursor)}, single, s, sLen, pos, end)) return false;
    pos = end;
    cursor = next;
  }
}

}  // namespace

bool LikeMatchChars(const char* s, std::size_t sLen, const char* p, std::size_t pLen, char multi, char single,
                    char escape) {
  if (escape == 0 || std::memchr(p, escape, pLen) == nullptr) return LikeMatchRaw(s, sLen, p, pLen, multi, single);
  Pattern pat = Parse(p, pLen, multi, single, escape);
  std::size_t pos = 0;
  if (!MatchAt(pat.pieces.front(), s, sLen, 0, pos)) return false;
  if (!pat.anyMulti) return pos == sLen;
  for (std::size_t i = 1; i + 1 < pat.pieces.size(); ++i) {
    std::size_t start, end;
    if (!FindPiece(pat.pieces[i], s, sLen, pos, start, end)) return false;
    pos = end;
  }
  return MatchAtEnd(pat.pieces.back(), s, sLen, pos);
}

bool LikeMatch(const String& text, const String& pattern, char percent, char underscore) {
  return LikeMatchChars(text.data(), text.size(), pattern.data(), pattern.size(), percent, underscore, 0);
}
