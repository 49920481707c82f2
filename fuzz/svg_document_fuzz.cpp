// libFuzzer target for SVG documents: whatever the bytes, reading either refuses them with an
// InputError or gives a document that
//   - is written back unchanged byte for byte when nothing changed,
//   - renumbers through the real module (by row or by column, chosen by the input's length)
//     without a contract violation,
//   - is written, renumbered, as well-formed SVG that reads back to exactly the renumbered
//     artboards, which are the input's artboards in another order,
//   - and is written as a new file that reads back to the same artboards.
// Any other exception, a crash or a sanitizer report is a finding; a broken property aborts
// with what broke on standard error.
#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "hostsim/ModuleLoader.h"
#include "hostsim/tool/InputError.h"
#include "hostsim/tool/ModuleRun.h"
#include "hostsim/tool/SvgDocument.h"

namespace {

using hostsim::Artboard;
using hostsim::Document;
using namespace hostsim::tool;

[[noreturn]] void Broken(const std::string& what, const std::string& detail = "") {
    std::fprintf(stderr, "svg_document_fuzz: %s\n%s\n", what.c_str(), detail.c_str());
    std::abort();
}

// An artboard's properties as text, its id left out, for comparing lists as multisets. The two
// zeros are one: documents spell both as "0".
std::string Key(const Artboard& artboard) {
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

std::vector<std::string> Keys(const Document& document) {
    std::vector<std::string> keys;
    for (const auto& artboard : document.artboards) {
        keys.push_back(Key(artboard));
    }
    return keys;
}

SvgDocument ReadBack(const std::string& text, const char* what) {
    try {
        return ReadSvgDocument("written.svg", text);
    } catch (const InputError& error) {
        Broken(std::string(what) + " does not read back: " + error.what(), text);
    }
}

}  // namespace

// The module stays mapped for the whole run: each input loads and unloads it again, and the
// coverage counters libFuzzer keeps track of must not be unmapped in between.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    if (dlopen(hostsim::DefaultModulePath().c_str(), RTLD_NOW | RTLD_NODELETE) == nullptr) {
        Broken("cannot load the module", dlerror());
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    SvgDocument read;
    try {
        read = ReadSvgDocument("input.svg", text);
    } catch (const InputError&) {
        return 0;
    }
    if (WriteSvgDocument(read.document, &read.layout) != text) {
        Broken("an unchanged document is not written back byte for byte");
    }

    ModuleRunRequest request;
    request.module = hostsim::DefaultModulePath();
    request.document = read.document;
    request.choose = size % 2 == 0 ? "Quorvane, Grid by Row" : "Quorvane, Grid by Column";
    const ModuleRunResult run = RunModule(request);
    if (!run.problems.empty()) {
        Broken("the host saw the module break its contract", run.problems);
    }
    if (!run.failure.empty() || !run.document) {
        // The module refused the document (an artboard it cannot place): nothing to write.
        return 0;
    }
    const Document& after = *run.document;

    auto before = Keys(read.document);
    auto now = Keys(after);
    std::sort(before.begin(), before.end());
    std::sort(now.begin(), now.end());
    if (before != now) {
        Broken("the renumbered artboards are not the input's in another order");
    }

    const std::string written = WriteSvgDocument(after, &read.layout);
    const SvgDocument again = ReadBack(written, "the renumbered document");
    if (Keys(again.document) != Keys(after)) {
        Broken("the renumbered document reads back to other artboards", written);
    }
    if (WriteSvgDocument(again.document, &again.layout) != written) {
        Broken("the renumbered document is not written back byte for byte", written);
    }

    const std::string fresh = WriteSvgDocument(read.document, nullptr);
    if (Keys(ReadBack(fresh, "a new file").document) != Keys(read.document)) {
        Broken("a new file reads back to other artboards", fresh);
    }
    return 0;
}
