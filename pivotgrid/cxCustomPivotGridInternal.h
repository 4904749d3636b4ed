// Helpers shared by the pivot grid's sources.
#pragma once

#include <algorithm>
#include <vector>

#include "pivotgrid/cxCustomPivotGrid.h"

// Ascending order of variant values, as the variant lists and unique values keep them.
inline bool cxPivotGridVariantLess(const Variant& a, const Variant& b) { return CompareVariantValues(a, b) < 0; }

// A stable merge sort whose every step stays inside the range whatever the comparison answers,
// so that a comparison that is not a consistent order (mixed variant types, a compare handler)
// gives some order but never reads outside the list.
template <class T, class Less>
void cxPivotGridSafeSort(std::vector<T>& v, Less less) {
  const std::size_t n = v.size();
  if (n < 2) return;
  std::vector<T> buffer(n);
  std::vector<T>* from = &v;
  std::vector<T>* to = &buffer;
  for (std::size_t width = 1; width < n; width *= 2) {
    for (std::size_t lo = 0; lo < n; lo += 2 * width) {
      std::size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
      std::size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) (*to)[k++] = less((*from)[j], (*from)[i]) ? std::move((*from)[j++]) : std::move((*from)[i++]);
      while (i < mid) (*to)[k++] = std::move((*from)[i++]);
      while (j < hi) (*to)[k++] = std::move((*from)[j++]);
    }
    std::swap(from, to);
  }
  if (from != &v) v = std::move(*from);
}

// Calls `f` for every record of the item's subtree that is not excluded; a root holds every
// record that is not excluded, in record order.
template <class F>
void TcxPivotGridGroupItem::ForEachRecord(F&& f) const {
  const std::vector<int>& map = builder_->RecordMap();
  if (!parent_) {
    for (std::size_t r = 0; r < map.size(); ++r)
      if (map[r] >= 0) f(int(r));
    return;
  }
  if (items_.empty()) {
    for (int r : records_.List())
      if (map[std::size_t(r)] >= 0) f(r);
    return;
  }
  for (auto* c : items_) c->ForEachRecord(f);
}


// Runs the grid's update bracket around `f` (no bracket without a grid).
template <class F>
void InGridUpdate(TcxCustomPivotGrid* grid, F&& f) {
  if (!grid) {
    f();
    return;
  }
  grid->BeginUpdate();
  try {
    f();
  } catch (...) {
    grid->EndUpdate();
    throw;
  }
  grid->EndUpdate();
}
