// Typed sort keys of the data controller. Each sort field's stored values become unsigned
// 64-bit keys whose order is the order of the values (Null first, integers and dates by value,
// floats by value with NaN last, texts by the rank of their pooled text), so that records are
// sorted by comparing plain numbers: a stable radix sort over the records in index order gives
// ties by record index. The keys of a column stay valid until the storage changes, so sorting
// and grouping again by the same fields reuses them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "data/cxDataStorage.h"

class TcxDataSortKeys {
 public:
  struct Field {
    TcxValueDef* Def;
    bool Descending;
  };

  TcxDataSortKeys();
  ~TcxDataSortKeys();

  // Whether values of the type can be keyed at all.
  static bool CanKey(TcxValueTypeClass type);
  // Prepares the keys of every field for the storage's ordinary records (reusing those still
  // valid); a column outside the record reads as all Null. False when a field cannot be keyed:
  // a type without keys, or 64-bit integers holding the smallest value (whose key would be the
  // Null key).
  bool Prepare(TcxDataStorage* storage, const std::vector<Field>& fields);
  int FieldCount() const { return int(fields_.size()); }

  // Sorts distinct record indexes below the storage's record count by the prepared fields,
  // the first most significant, ties by record index.
  void Sort(std::vector<int>& records);

  // The three-way comparison of two records on prepared field `field`, with its direction.
  int Compare(int a, int b, int field) const;

  // After Sort: the number of leading fields whose keys are kept by position, and whether the
  // records at positions p and q hold equal values in every field up to `level`
  // (level < PositionLevels()).
  std::size_t PositionCount() const { return positionKeys_.size(); }
  int PositionLevels() const { return positionLevels_; }
  bool SameUpToLevel(int p, int q, int level) const {
    return ((positionKeys_[std::size_t(p)] ^ positionKeys_[std::size_t(q)]) >> levelShift_[std::size_t(level)]) == 0;
  }

  // Forgets what belongs to one run (position keys); column keys stay for the next run.
  void EndRun();

 private:
  struct Column;
  Column* ColumnOf(TcxValueDef* def);
  uint64_t FieldKey(std::size_t field, int record) const;

  TcxDataStorage* storage_ = nullptr;
  std::vector<std::unique_ptr<Column>> columns_;
  std::vector<Column*> fields_;
  std::vector<bool> descending_;
  std::vector<int> width_;  // bits of each field's key
  std::vector<uint64_t> positionKeys_;
  // Sort buffers, kept for the next sort: (key, record) pairs and the radix sort's scratch.
  std::vector<std::pair<uint64_t, uint32_t>> items_, scratch_;
  std::vector<int> levelShift_;
  int positionLevels_ = 0;
};
