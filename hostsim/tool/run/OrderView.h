// One run of the module in an order of a view (hostsim/model/GridView.h), the module itself
// unchanged. In three lines:
//   1. The module runs on a proxy: the real document with each artboard's name replaced by a
//      label unique to its position and its bounds by its bounds in the view.
//   2. The labels where the module left them are its permutation; anything else fails the run.
//   3. Each position takes back the real name and bounds of the artboard the module put there;
//      every other property is as the module left it, so every field arrives bit for bit.
// The trace, if asked for, records the run on the proxy.
#pragma once

#include "hostsim/model/GridView.h"
#include "hostsim/tool/run/ModuleRun.h"

namespace hostsim::tool {

// Runs the module as RunModule does, on the view of `request.document` that `options` give.
// An exact view runs the module on the document itself, host call for host call as RunModule.
// The result's failure says so when the module left a proxy that is not a permutation of its
// labels (result.document is then the proxy as the module left it). Throws as RunModule.
ModuleRunResult RunModuleInView(const ModuleRunRequest& request, const ViewOptions& options);

// The label of the proxy artboard at `position`, and the position a label names (nullopt for
// any other text).
std::string ProxyLabel(std::size_t position);
std::optional<std::size_t> ProxyPosition(const std::string& label, std::size_t count);

}  // namespace hostsim::tool
