// What the two document fuzz targets share: the module kept mapped, the run that renumbers a
// document through it, and artboards compared by their properties.
#pragma once

#include <dlfcn.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "hostsim/abi/QuorvaneMenus.h"
#include "hostsim/loader/ModuleLoader.h"
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

// An artboard's properties as text, its id left out. The two zeros are one: documents spell
// both as "0".
inline std::string PropertyKey(const hostsim::Artboard& artboard) {
    std::string key = artboard.name;
    auto bits = [&key](float value) {
        value = value == 0 ? 0.0F : value;
        std::uint32_t raw = 0;
        std::memcpy(&raw, &value, sizeof raw);
        key += ' ' + std::to_string(raw);
    };
    bits(artboard.bounds.left);
    bits(artboard.bounds.top);
    bits(artboard.bounds.right);
    bits(artboard.bounds.bottom);
    bits(artboard.pixelAspectRatio);
    bits(artboard.rulerOrigin.h);
    bits(artboard.rulerOrigin.v);
    for (const auto kind : artboard.displayMarks) {
        key += " m" + std::to_string(kind);
    }
    return key;
}

// The keys of a document's artboards in list order, or sorted (to compare as multisets).
inline std::vector<std::string> PropertyKeys(const hostsim::Document& document,
                                             bool sorted = false) {
    std::vector<std::string> keys;
    for (const auto& artboard : document.artboards) {
        keys.push_back(PropertyKey(artboard));
    }
    if (sorted) {
        std::sort(keys.begin(), keys.end());
    }
    return keys;
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
    if (run.failure.empty() && run.document &&
        PropertyKeys(*run.document, true) != PropertyKeys(document, true)) {
        Broken("the renumbered artboards are not the input's in another order");
    }
    return run;
}

}  // namespace quorvane::fuzz
