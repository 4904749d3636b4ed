// The page control's texts: the messages of its internal errors (each raised as
// "<class>.<operation>: <text>") and of its property errors.
#pragma once

namespace cxpc_consts {
inline constexpr const char* scxPCImageListIndexError = "Index (%d) must be between 0 and %d";
inline constexpr const char* scxPCNoBaseImages = "BaseImages is not assigned";
inline constexpr const char* scxPCNoRegisteredStyles = "There are no styles registered";
inline constexpr const char* scxPCPainterClassError = "PCPainterClass is nil";
inline constexpr const char* scxPCTabCountEqualsZero = "Tabs.Count = 0";
inline constexpr const char* scxPCTabIndexError = "Tab's index (%d) out of bounds";
inline constexpr const char* scxPCTabVisibleIndexOutsOfBounds = "TabVisibleIndex (%d) must be between 0 and %d";
inline constexpr const char* scxPCVisibleTabListEmpty = "There are no visible tabs";
inline constexpr const char* scxPCAllowRotateError = "%s style does not support rotation of tabs";
inline constexpr const char* scxPCPageIndexError =
    "%d is an invalid PageIndex value.  PageIndex must be between 0 and %d";
}  // namespace cxpc_consts
