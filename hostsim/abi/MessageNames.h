// The callers and selectors of the messages the stand-in host sends, one constant each. The
// module keeps its own copies; the two sides are kept apart on purpose, so that a text the
// module misspells is caught rather than shared.
#pragma once

namespace hostsim::messages {

inline constexpr const char* kInterfaceCaller = "SP Interface";
inline constexpr const char* kStartupSelector = "Startup";
inline constexpr const char* kShutdownSelector = "Shutdown";
inline constexpr const char* kAboutSelector = "About";
inline constexpr const char* kAccessCaller = "SP Access";
inline constexpr const char* kUnloadSelector = "Unload";
inline constexpr const char* kReloadSelector = "Reload";
inline constexpr const char* kNotifierCaller = "AI Notifier";
inline constexpr const char* kNotifySelector = "AI Notify";
inline constexpr const char* kMenuCaller = "AI Menu";
inline constexpr const char* kGoSelector = "AI Go";
inline constexpr const char* kUpdateSelector = "AI Update";

}  // namespace hostsim::messages
