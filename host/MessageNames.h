// The callers and selectors of the host's messages, one constant each, as the host spells them
// (its "Woskspace" included). The host compares none of them; the plug-in compares them whole
// and case-sensitive (TextIs).
#pragma once

// Start-up, shut-down, unload and reload.
inline constexpr const char* kInterfaceCaller = "SP Interface";
inline constexpr const char* kStartupSelector = "Startup";
inline constexpr const char* kShutdownSelector = "Shutdown";
inline constexpr const char* kAboutSelector = "About";
inline constexpr const char* kAccessCaller = "SP Access";
inline constexpr const char* kUnloadSelector = "Unload";
inline constexpr const char* kReloadSelector = "Reload";
inline constexpr const char* kCacheCaller = "SP Cache";
inline constexpr const char* kPurgeSelector = "Plug-in Purge";
inline constexpr const char* kPropertiesCaller = "SP Properties";
inline constexpr const char* kAcquireSelector = "Acquire";
inline constexpr const char* kReleaseSelector = "Release";

// Notifications (NotifierMessage) and menu choices (MenuMessage).
inline constexpr const char* kNotifierCaller = "AI Notifier";
inline constexpr const char* kNotifySelector = "AI Notify";
inline constexpr const char* kMenuCaller = "AI Menu";

// Selectors that several callers share.
inline constexpr const char* kGoSelector = "AI Go";
inline constexpr const char* kUpdateSelector = "AI Update";
inline constexpr const char* kGetParametersSelector = "AI Get Parameters";
inline constexpr const char* kDoActionSelector = "Do Action";

// The other callers of the routing table, with their own selectors.
inline constexpr const char* kActionManagerCaller = "Action Manager";
inline constexpr const char* kFilterCaller = "AI Filter";
inline constexpr const char* kPluginGroupCaller = "AI Plugin Group";
inline constexpr const char* kNotifyEditsSelector = "AI Notify Edits";
inline constexpr const char* kFileFormatCaller = "AI File Format";
inline constexpr const char* kCheckSelector = "AI Check";
inline constexpr const char* kFileFormatUpdateSelector = "AI Update AI140";
inline constexpr const char* kToolCaller = "AI Tool";
inline constexpr const char* kEditOptionsSelector = "AI Edit Options";
inline constexpr const char* kTrackCursorSelector = "AI Track Cursor";
inline constexpr const char* kMouseDownSelector = "AI Mouse Down";
inline constexpr const char* kMouseDragSelector = "AI Mouse Drag";
inline constexpr const char* kMouseUpSelector = "AI Mouse Up";
inline constexpr const char* kSelectSelector = "AI Select";
inline constexpr const char* kDeselectSelector = "AI Deselect";
inline constexpr const char* kReselectSelector = "AI Reselect";
inline constexpr const char* kDecreaseDiameterSelector = "AI Decrease Diameter";
inline constexpr const char* kIncreaseDiameterSelector = "AI Increase Diameter";
inline constexpr const char* kLiveEffectCaller = "AI Live Effect";
inline constexpr const char* kEditParametersSelector = "AI Live Effect Edit Parameters";
inline constexpr const char* kGoLiveSelector = "AI Live Effect Go Live";
inline constexpr const char* kInterpolateParametersSelector =
    "AI Live Effect Interpolate Parameters";
inline constexpr const char* kInputTypeSelector = "AI Live Effect Input Type";
inline constexpr const char* kScaleParametersSelector = "AI Live Effect Scale Parameters";
inline constexpr const char* kConvertColorSpaceSelector = "AI Live Effect Convert Color Space";
inline constexpr const char* kAdjustColorsSelector = "AI Live Effect Adjust Colors";
inline constexpr const char* kHandleMergeSelector = "AI Live Effect Handle Merge";
inline constexpr const char* kTimerCaller = "AI Timer";
inline constexpr const char* kClipboardCaller = "AI Clipboard";
inline constexpr const char* kCanCopySelector = "AI Can Copy";
inline constexpr const char* kCloneSelector = "AI Clone";
inline constexpr const char* kDisposeSelector = "AI Dispose";
inline constexpr const char* kWorkspaceCaller = "Workspace Manager";
inline constexpr const char* kWriteWorkspaceSelector = "Write Woskspace";
inline constexpr const char* kRestoreWorkspaceSelector = "Restore Woskspace";
inline constexpr const char* kDefaultWorkspaceSelector = "Default Woskspace";
