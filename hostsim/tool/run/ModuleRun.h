// One run of the real module in the stand-in host, as the host application runs it for a
// user: load the module, start it up (with the application-started notice that follows),
// optionally choose one menu item by its label as a click would, and shut it down.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "hostsim/abi/HostAbi.h"
#include "hostsim/model/Document.h"

namespace hostsim::tool {

struct ModuleRunRequest {
    std::filesystem::path module;
    // When set, this entry function linked into the program is driven instead of `module`.
    abi::PluginEntry entry = nullptr;
    std::optional<Document> document;   // opened as the current document when present
    std::optional<std::string> choose;  // the label of the menu item to choose
    // When not empty, every message and host call is written to this file as it happens, one
    // line each (nothing is kept in memory for it).
    std::filesystem::path trace;
    // Or, when set, the stream the trace is written to, named `traceName` in messages.
    std::ostream* traceStream = nullptr;
    std::string traceName;
};

struct ModuleRunResult {
    // Empty when every step answered 0; otherwise one line naming the step and the code
    // as 'ABCD' (0x41424344), e.g. "\"Quorvane, Grid by Row\" failed with 'NDoc' (0x4E446F63)".
    std::string failure;
    std::optional<Document> document;  // the current document after the run
    std::string menuTree;              // the menus after start-up
    std::vector<std::string> alerts;   // texts of the alerts shown, in order
    std::string problems;              // contract violations and leaks the host saw
};

// Runs the module. Throws InputError naming the module file when it cannot be loaded, or the
// trace file when it cannot be written.
ModuleRunResult RunModule(const ModuleRunRequest& request);

}  // namespace hostsim::tool
