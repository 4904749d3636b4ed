// Small helpers the table views share for their option setters and published properties.
#pragma once

#include "rtl/TypInfo.h"

namespace cxgridviews_internal {

// Writes `value` into `field`; answers whether it changed.
template <class T>
bool Store(T& field, T value) {
  if (field == value) return false;
  field = value;
  return true;
}

inline PTypeInfo AlignmentVertType() {
  return EnumTypeInfo("TcxAlignmentVert", {"vaTop", "vaBottom", "vaCenter"});
}

}  // namespace cxgridviews_internal
