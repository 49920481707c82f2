// The menu items the Quorvane module installs, as the host's user sees them: what every
// host-side program (the command line, the validator, the tests, the benchmarks) chooses.
// The module defines its own copies; the two sides are kept apart on purpose, so that a label
// the module misspells is caught here rather than shared.
#pragma once

namespace hostsim::menus {

inline constexpr const char* kByRowLabel = "Quorvane, Grid by Row";
inline constexpr const char* kByColumnLabel = "Quorvane, Grid by Column";
inline constexpr const char* kAboutLabel = "Quorvane...";

}  // namespace hostsim::menus
