// Small helpers the table views share for their published properties (their option setters
// store through GridStoreOption, grid/cxGridCommon.h).
#pragma once

#include "rtl/TypInfo.h"

namespace cxgridviews_internal {

inline PTypeInfo AlignmentVertType() {
  return EnumTypeInfo("TcxAlignmentVert", {"vaTop", "vaBottom", "vaCenter"});
}

inline PTypeInfo SortOrderType() {
  return EnumTypeInfo("TcxDataSortOrder", {"soNone", "soAscending", "soDescending"});
}

}  // namespace cxgridviews_internal
