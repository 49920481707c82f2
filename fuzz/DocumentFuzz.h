// What the two document fuzz targets share: the module kept mapped, the run that renumbers a
// document through it, and documents compared by the properties that travel with an artboard.
#pragma once

#include <dlfcn.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "hostsim/abi/QuorvaneMenus.h"
#include "hostsim/loader/ModuleLoader.h"
#include "hostsim/tool/report/Report.h"
#include "hostsim/tool/run/ModuleRun.h"

namespace quorvane::fuzz {

// Prints what broke under the target's name and aborts, which libFuzzer reports with the input.
[[noreturn]] inline void Broken(const std::string& what, const std::string& detail = {}) {
    std::fprintf(stderr, "%s: %s\n%s\n", program_invocation_short_name, what.c_str(),
                 detail.c_str());
    std::abort();
}

// Keeps the module mapped for the whole run: each input loads and unloads it again, and the
// coverage counters libFuzzer keeps track of must not be unmapped in between.
inline void KeepModuleMapped() {
    if (dlopen(hostsim::DefaultModulePath().c_str(), RTLD_NOW | RTLD_NODELETE) == nullptr) {
        Broken("cannot load the module", dlerror());
    }
}

// Whether the two documents hold the same artboards in the same order, by the properties that
// travel with an artboard (the host-kept ids are written nowhere).
inline bool SameArtboards(const hostsim::Document& a, const hostsim::Document& b) {
    return std::equal(a.artboards.begin(), a.artboards.end(), b.artboards.begin(),
                      b.artboards.end(), hostsim::SameTravellingProperties);
}

// Whether `after` holds the artboards of `before`, each once, in any order.
inline bool IsRenumbering(const hostsim::Document& before, const hostsim::Document& after) {
    const auto former = hostsim::tool::TraceFormerPositions(before, after);
    return before.artboards.size() == after.artboards.size() &&
           std::all_of(former.begin(), former.end(), [](const auto& k) { return k.has_value(); });
}

// `document` renumbered by the real module through the stand-in host, by row or by column as
// `size` is even or odd. A contract violation is broken, and so is a renumbered document that
// is not the input's artboards in another order; a refusal (`failure`, or no document) is the
// caller's to judge.
inline hostsim::tool::ModuleRunResult RunRenumber(const hostsim::Document& document,
                                                  std::size_t size) {
    hostsim::tool::ModuleRunRequest request;
    request.module = hostsim::DefaultModulePath();
    request.document = document;
    request.choose = size % 2 == 0 ? hostsim::menus::kByRowLabel : hostsim::menus::kByColumnLabel;
    hostsim::tool::ModuleRunResult run = hostsim::tool::RunModule(request);
    if (!run.problems.empty()) {
        Broken("the host saw the module break its contract", run.problems);
    }
    if (run.failure.empty() && run.document && !IsRenumbering(document, *run.document)) {
        Broken("the renumbered artboards are not the input's in another order");
    }
    return run;
}

}  // namespace quorvane::fuzz
