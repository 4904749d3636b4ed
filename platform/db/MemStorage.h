// Column storage of the in-memory data set: one typed column per field with a null flag per
// record. The CSV reader fills these columns directly, so reading a large file builds no
// per-value objects.
#pragma once

#include <cstring>
#include <string_view>
#include <vector>

#include "rtl/Types.h"

// How a column keeps its values.
enum class TMemColumnKind : uint8_t {
  Int,     // 64-bit integers (integer, small integer, word, large integer, Boolean)
  Float,   // doubles (float, currency, date and time)
  Text,    // UTF-8 strings in one arena
  Other    // anything else: kept by the data set as generic values
};

class TMemColumn {
 public:
  TMemColumn() = default;
  explicit TMemColumn(TMemColumnKind kind) : kind_(kind) {}

  TMemColumnKind Kind() const { return kind_; }
  std::size_t Count() const { return nulls_.size(); }
  bool IsNull(std::size_t row) const { return nulls_[row] != 0; }

  int64_t Int(std::size_t row) const { return ints_[row]; }
  double Float(std::size_t row) const { return floats_[row]; }
  std::string_view Text(std::size_t row) const {
    const TextRef& r = texts_[row];
    return std::string_view(arena_.data() + r.offset, r.length);
  }

  void Reserve(std::size_t rows) {
    nulls_.reserve(rows);
    switch (kind_) {
      case TMemColumnKind::Int: ints_.reserve(rows); break;
      case TMemColumnKind::Float: floats_.reserve(rows); break;
      case TMemColumnKind::Text: texts_.reserve(rows); break;
      case TMemColumnKind::Other: break;
    }
  }

  void ReserveText(std::size_t bytes) { arena_.reserve(bytes); }
  std::size_t TextBytes() const { return arena_.size(); }

  // A column made of values and null flags built elsewhere (a null row's value is ignored).
  static TMemColumn FromInts(std::vector<uint8_t> nulls, std::vector<int64_t> values) {
    TMemColumn c(TMemColumnKind::Int);
    c.nulls_ = std::move(nulls);
    c.ints_ = std::move(values);
    return c;
  }
  static TMemColumn FromFloats(std::vector<uint8_t> nulls, std::vector<double> values) {
    TMemColumn c(TMemColumnKind::Float);
    c.nulls_ = std::move(nulls);
    c.floats_ = std::move(values);
    return c;
  }
  // The null flags, taken out of the column (which is left empty).
  std::vector<uint8_t> TakeNulls() {
    std::vector<uint8_t> n = std::move(nulls_);
    Clear();
    return n;
  }

  // Appends a null value (also for Other columns, whose values live elsewhere).
  void AppendNull() {
    nulls_.push_back(1);
    switch (kind_) {
      case TMemColumnKind::Int: ints_.push_back(0); break;
      case TMemColumnKind::Float: floats_.push_back(0); break;
      case TMemColumnKind::Text: texts_.push_back({0, 0}); break;
      case TMemColumnKind::Other: break;
    }
  }
  void AppendInt(int64_t v) { nulls_.push_back(0); ints_.push_back(v); }
  void AppendFloat(double v) { nulls_.push_back(0); floats_.push_back(v); }
  void AppendText(std::string_view s) {
    nulls_.push_back(0);
    texts_.push_back({arena_.size(), s.size()});
    arena_.append(s.data(), s.size());
  }
  // Appends a non-null slot of an Other column.
  void AppendOther() { nulls_.push_back(0); }

  // Inserts a null slot at `row` (records inserted in the middle of a data set).
  void InsertNull(std::size_t row) {
    nulls_.insert(nulls_.begin() + std::ptrdiff_t(row), 1);
    switch (kind_) {
      case TMemColumnKind::Int: ints_.insert(ints_.begin() + std::ptrdiff_t(row), 0); break;
      case TMemColumnKind::Float: floats_.insert(floats_.begin() + std::ptrdiff_t(row), 0); break;
      case TMemColumnKind::Text: texts_.insert(texts_.begin() + std::ptrdiff_t(row), TextRef{0, 0}); break;
      case TMemColumnKind::Other: break;
    }
  }
  void Erase(std::size_t row) {
    nulls_.erase(nulls_.begin() + std::ptrdiff_t(row));
    switch (kind_) {
      case TMemColumnKind::Int: ints_.erase(ints_.begin() + std::ptrdiff_t(row)); break;
      case TMemColumnKind::Float: floats_.erase(floats_.begin() + std::ptrdiff_t(row)); break;
      case TMemColumnKind::Text: texts_.erase(texts_.begin() + std::ptrdiff_t(row)); break;
      case TMemColumnKind::Other: break;
    }
  }

  void SetNull(std::size_t row) { nulls_[row] = 1; }
  void SetInt(std::size_t row, int64_t v) { nulls_[row] = 0; ints_[row] = v; }
  void SetFloat(std::size_t row, double v) { nulls_[row] = 0; floats_[row] = v; }
  // A changed text is appended to the arena; the old bytes stay until the column is cleared.
  void SetText(std::size_t row, std::string_view s) {
    nulls_[row] = 0;
    texts_[row] = {arena_.size(), s.size()};
    arena_.append(s.data(), s.size());
  }
  void SetOther(std::size_t row) { nulls_[row] = 0; }

  void Clear() {
    nulls_.clear();
    ints_.clear();
    floats_.clear();
    texts_.clear();
    arena_.clear();
  }

 private:
  struct TextRef {
    std::size_t offset;
    std::size_t length;
  };
  TMemColumnKind kind_ = TMemColumnKind::Text;
  std::vector<uint8_t> nulls_;
  std::vector<int64_t> ints_;
  std::vector<double> floats_;
  std::vector<TextRef> texts_;
  String arena_;
};
