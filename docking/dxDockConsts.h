// The texts of the docking subsystem: exception messages raised by dock controls, sites and
// the docking manager.
#pragma once

namespace dock_consts {
inline constexpr const char* sdxInvalidOwner = "The Owner of the TdxCustomDockControl must be TCustomForm.";
inline constexpr const char* sdxInvalidParent = "The Parent of the %s must be TdxCustomDockControl.";
inline constexpr const char* sdxInvalidParentAssigning = "You cannot set the parent for this component.";
inline constexpr const char* sdxInvalidDockSiteParent = "The Parent of the TdxDockSite cannot be TdxCustomDockControl.";
inline constexpr const char* sdxInvalidSiteChild =
    "You can only insert a TdxCustomDockControl into TdxCustomDockSite (%s is being inserted).";
inline constexpr const char* sdxInvalidPanelChild =
    "You cannot insert a TdxCustomDockControl into TdxDockPanel (%s is being inserted).";
inline constexpr const char* sdxInvalidLayoutSiteDeleting = "You cannot delete a TdxLayoutDockSite.";
inline constexpr const char* sdxInvalidFloatingDeleting = "You cannot delete a TdxCustomDockSite in floating mode.";
inline constexpr const char* sdxManagerError = "You cannot have more than one TdxDockingManager instance on a Form.";
inline constexpr const char* sdxInternalErrorCreateLayout = "Internal error while creating a %s object layout.";
inline constexpr const char* sdxInternalErrorDestroyLayout = "Internal error while destroying a %s object layout.";
inline constexpr const char* sdxInvalidFloatSiteDeleting = "You cannot delete a TdxFloatDockSite.";
inline constexpr const char* sdxInvalidFloatSiteParent = "The Parent of the TdxFloatDockSite can only be TdxFloatForm.";
inline constexpr const char* sdxAncestorError =
    "Docking and auto hiding operations are not available for controls declared in an ancestor form.";
}  // namespace dock_consts
