// Column storage of the in-memory data set: one typed column per field with a null flag per
// record. The CSV reader fills these columns directly, so reading a large file builds no
// per-value objects; nulls and short values cost about a byte each (see TMemColumn).
#pragma once

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "rtl/Types.h"

// One bit per row.
class TMemBits {
 public:
  std::size_t size() const { return n_; }
  bool operator[](std::size_t i) const { return (words_[i >> 6] >> (i & 63)) & 1; }
  void reserve(std::size_t n) { words_.reserve((n + 63) / 64); }
  void clear() {
    words_.clear();
    n_ = 0;
  }
  void assign(std::size_t n, bool value) {
    words_.assign((n + 63) / 64, value ? ~uint64_t(0) : 0);
    n_ = n;
  }
  void push_back(bool b) {
    if ((n_ & 63) == 0) words_.push_back(0);
    set(n_, b);
    ++n_;
  }
  void set(std::size_t i, bool b) {
    uint64_t m = uint64_t(1) << (i & 63);
    if (b) words_[i >> 6] |= m;
    else words_[i >> 6] &= ~m;
  }
  void insert(std::size_t i, bool b) {
    push_back(false);
    std::size_t wi = i >> 6;
    for (std::size_t w = words_.size() - 1; w > wi; --w) words_[w] = (words_[w] << 1) | (words_[w - 1] >> 63);
    uint64_t low = (uint64_t(1) << (i & 63)) - 1, x = words_[wi];
    words_[wi] = (x & low) | ((x & ~low) << 1);
    set(i, b);
  }
  void erase(std::size_t i) {
    std::size_t wi = i >> 6;
    uint64_t low = (uint64_t(1) << (i & 63)) - 1, x = words_[wi];
    words_[wi] = (x & low) | ((x >> 1) & ~low);
    for (std::size_t w = wi; w + 1 < words_.size(); ++w) {
      words_[w] = (words_[w] & ~(uint64_t(1) << 63)) | (words_[w + 1] << 63);
      words_[w + 1] >>= 1;
    }
    --n_;
    if (words_.size() > (n_ + 63) / 64) words_.pop_back();
  }

 private:
  std::vector<uint64_t> words_;
  std::size_t n_ = 0;
};

// How a column keeps its values.
enum class TMemColumnKind : uint8_t {
  Int,     // 64-bit integers (integer, small integer, word, large integer, Boolean)
  Float,   // doubles (float, currency, date and time)
  Text,    // UTF-8 strings in one arena
  Other    // anything else: kept by the data set as generic values
};

// Nulls are bits. Integers are kept in 32 bits until one needs more. Texts lie in one arena,
// the texts of each block of 64 rows one after the other; a row keeps one length byte (255:
// the length is in a side list) and each block the arena offset where it starts, so a null
// or one-letter value costs little more than a byte. A text that changes length moves its
// block to the end of the arena; the arena is compacted when more than half of it is stale.
class TMemColumn {
 public:
  TMemColumn() = default;
  explicit TMemColumn(TMemColumnKind kind) : kind_(kind) {}

  TMemColumnKind Kind() const { return kind_; }
  std::size_t Count() const { return nulls_.size(); }
  bool IsNull(std::size_t row) const { return nulls_[row]; }

  int64_t Int(std::size_t row) const { return wide_ ? ints_[row] : ints32_[row]; }
  double Float(std::size_t row) const { return floats_[row]; }
  std::string_view Text(std::size_t row) const {
    std::size_t block = row >> 6, off = blocks_[block];
    for (std::size_t k = block << 6; k < row; ++k) off += Length(k);
    return std::string_view(arena_.data() + off, Length(row));
  }

  void Reserve(std::size_t rows) {
    nulls_.reserve(rows);
    switch (kind_) {
      case TMemColumnKind::Int:
        if (wide_) ints_.reserve(rows);
        else ints32_.reserve(rows);
        break;
      case TMemColumnKind::Float: floats_.reserve(rows); break;
      case TMemColumnKind::Text:
        lengths_.reserve(rows);
        blocks_.reserve((rows + 63) / 64);
        break;
      case TMemColumnKind::Other: break;
    }
  }

  void ReserveText(std::size_t bytes) { arena_.reserve(bytes); }
  std::size_t TextBytes() const { return arena_.size(); }

  // A column made of values and null flags built elsewhere (a null row's value is ignored).
  static TMemColumn FromInts(TMemBits nulls, std::vector<int32_t> values) {
    TMemColumn c(TMemColumnKind::Int);
    c.nulls_ = std::move(nulls);
    c.ints32_ = std::move(values);
    return c;
  }
  static TMemColumn FromFloats(TMemBits nulls, std::vector<double> values) {
    TMemColumn c(TMemColumnKind::Float);
    c.nulls_ = std::move(nulls);
    c.floats_ = std::move(values);
    return c;
  }
  // A text column of `rows` nulls.
  static TMemColumn NullTexts(std::size_t rows) {
    TMemColumn c(TMemColumnKind::Text);
    c.nulls_.assign(rows, true);
    c.lengths_.assign(rows, 0);
    c.blocks_.assign((rows + 63) / 64, 0);
    return c;
  }

  // Appends a null value (also for Other columns, whose values live elsewhere).
  void AppendNull() {
    switch (kind_) {
      case TMemColumnKind::Int: PushInt(0); break;
      case TMemColumnKind::Float: floats_.push_back(0); break;
      case TMemColumnKind::Text: PushText({}); break;
      case TMemColumnKind::Other: break;
    }
    nulls_.push_back(true);
  }
  void AppendInt(int64_t v) {
    PushInt(v);
    nulls_.push_back(false);
  }
  void AppendFloat(double v) {
    floats_.push_back(v);
    nulls_.push_back(false);
  }
  void AppendText(std::string_view s) {
    PushText(s);
    nulls_.push_back(false);
  }
  // Appends a non-null slot of an Other column.
  void AppendOther() { nulls_.push_back(false); }

  // Inserts a null slot at `row` (records inserted in the middle of a data set).
  void InsertNull(std::size_t row) {
    switch (kind_) {
      case TMemColumnKind::Int:
        if (wide_) ints_.insert(ints_.begin() + std::ptrdiff_t(row), 0);
        else ints32_.insert(ints32_.begin() + std::ptrdiff_t(row), 0);
        break;
      case TMemColumnKind::Float: floats_.insert(floats_.begin() + std::ptrdiff_t(row), 0); break;
      case TMemColumnKind::Text: RebuildTexts(row, true); break;
      case TMemColumnKind::Other: break;
    }
    nulls_.insert(row, true);
  }
  void Erase(std::size_t row) {
    switch (kind_) {
      case TMemColumnKind::Int:
        if (wide_) ints_.erase(ints_.begin() + std::ptrdiff_t(row));
        else ints32_.erase(ints32_.begin() + std::ptrdiff_t(row));
        break;
      case TMemColumnKind::Float: floats_.erase(floats_.begin() + std::ptrdiff_t(row)); break;
      case TMemColumnKind::Text: RebuildTexts(row, false); break;
      case TMemColumnKind::Other: break;
    }
    nulls_.erase(row);
  }

  void SetNull(std::size_t row) { nulls_.set(row, true); }
  void SetInt(std::size_t row, int64_t v) {
    nulls_.set(row, false);
    if (!wide_ && (v < INT32_MIN || v > INT32_MAX)) Widen();
    if (wide_) ints_[row] = v;
    else ints32_[row] = int32_t(v);
  }
  void SetFloat(std::size_t row, double v) {
    nulls_.set(row, false);
    floats_[row] = v;
  }
  void SetText(std::size_t row, std::string_view s) {
    nulls_.set(row, false);
    if (s.size() == Length(row)) {
      // Same length: in place.
      std::string_view old = Text(row);
      if (!s.empty()) std::memmove(arena_.data() + (old.data() - arena_.data()), s.data(), s.size());
      return;
    }
    std::size_t block = row >> 6, last = blocks_.size() - 1;
    std::string_view old = Text(row);
    std::size_t at = std::size_t(old.data() - arena_.data());
    if (row + 1 == lengths_.size() && at + old.size() == arena_.size()) {
      // The last row, whose text ends the arena (a record just appended): in place.
      String copy(s);
      arena_.resize(at);
      arena_ += copy;
      SetLength(row, copy.size());
      return;
    }
    MoveBlock(block, row, &s);
    // The last block must stay at the end of the arena, where appends go.
    if (block != last) MoveBlock(last, SIZE_MAX, nullptr);
    if (stale_ > arena_.size() / 2 + 4096) RebuildTexts(SIZE_MAX, false);
  }
  void SetOther(std::size_t row) { nulls_.set(row, false); }

  void Clear() {
    nulls_.clear();
    ints32_.clear();
    ints_.clear();
    wide_ = false;
    floats_.clear();
    lengths_.clear();
    longs_.clear();
    blocks_.clear();
    arena_.clear();
    stale_ = 0;
  }

 private:
  std::size_t Length(std::size_t row) const {
    uint8_t l = lengths_[row];
    if (l != 255) return l;
    auto it = std::lower_bound(longs_.begin(), longs_.end(), std::pair<std::size_t, std::size_t>(row, 0));
    return it->second;
  }
  void PushInt(int64_t v) {
    if (!wide_ && (v < INT32_MIN || v > INT32_MAX)) Widen();
    if (wide_) ints_.push_back(v);
    else ints32_.push_back(int32_t(v));
  }
  void Widen() {
    ints_.assign(ints32_.begin(), ints32_.end());
    std::vector<int32_t>().swap(ints32_);
    wide_ = true;
  }
  // Appends the length and the bytes of the next row (its block starts where the arena ends).
  void PushText(std::string_view s) {
    std::size_t row = lengths_.size();
    if ((row & 63) == 0) blocks_.push_back(arena_.size());
    PushLength(row, s.size());
    arena_.append(s.data(), s.size());
  }
  void PushLength(std::size_t row, std::size_t length) {
    if (length >= 255) {
      lengths_.push_back(255);
      longs_.emplace_back(row, length);
    } else {
      lengths_.push_back(uint8_t(length));
    }
  }
  void SetLength(std::size_t row, std::size_t length) {
    auto it = std::lower_bound(longs_.begin(), longs_.end(), std::pair<std::size_t, std::size_t>(row, 0));
    bool had = lengths_[row] == 255;
    if (length >= 255) {
      lengths_[row] = 255;
      if (had) it->second = length;
      else longs_.insert(it, {row, length});
    } else {
      lengths_[row] = uint8_t(length);
      if (had) longs_.erase(it);
    }
  }
  // Copies a block's texts to the end of the arena, row `row` taking `*text` instead.
  void MoveBlock(std::size_t block, std::size_t row, const std::string_view* text) {
    std::size_t first = block << 6, end = std::min(lengths_.size(), first + 64);
    String copy;
    std::size_t old_bytes = 0;
    for (std::size_t k = first; k < end; ++k) {
      std::string_view t = Text(k);
      old_bytes += t.size();
      copy.append(k == row ? *text : t);
    }
    if (row >= first && row < end) SetLength(row, text->size());
    blocks_[block] = arena_.size();
    arena_ += copy;
    stale_ += old_bytes;
  }
  // Lays the texts out again in row order, with a null row inserted at `row` (`insert`) or
  // row `row` removed; SIZE_MAX: neither (compaction).
  void RebuildTexts(std::size_t row, bool insert) {
    TMemColumn fresh(TMemColumnKind::Text);
    std::size_t n = lengths_.size();
    fresh.Reserve(n + 1);
    fresh.ReserveText(arena_.size() - stale_);
    for (std::size_t k = 0; k <= n; ++k) {
      if (k == row && insert) fresh.PushText({});
      if (k == n) break;
      if (k == row && !insert) continue;
      fresh.PushText(Text(k));
    }
    lengths_ = std::move(fresh.lengths_);
    longs_ = std::move(fresh.longs_);
    blocks_ = std::move(fresh.blocks_);
    arena_ = std::move(fresh.arena_);
    stale_ = 0;
  }

  TMemColumnKind kind_ = TMemColumnKind::Text;
  TMemBits nulls_;
  std::vector<int32_t> ints32_;
  std::vector<int64_t> ints_;
  bool wide_ = false;
  std::vector<double> floats_;
  std::vector<uint8_t> lengths_;
  std::vector<std::pair<std::size_t, std::size_t>> longs_;  // (row, length) of texts of 255 bytes or more
  std::vector<std::size_t> blocks_;
  String arena_;
  std::size_t stale_ = 0;  // arena bytes no row uses any more
};
