// Fuzz target for the JSON reader and writer, with the real module in between: whatever the
// bytes, reading either gives a document or an InputError; a document that reads is written
// back unchanged byte for byte, renumbered by the module into a permutation of its own
// artboards, and every output (JSON and SVG) reads back as the document that was written.
// Any other outcome aborts, which libFuzzer reports with the input.
#include <dlfcn.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "hostsim/ModuleLoader.h"
#include "hostsim/tool/DocumentFile.h"
#include "hostsim/tool/InputError.h"
#include "hostsim/tool/ModuleRun.h"

namespace {

using namespace hostsim::tool;
using hostsim::Artboard;
using hostsim::Document;

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "json_document_fuzz: %s\n%s\n", what, detail.c_str());
    std::abort();
}

// An artboard's properties, ids aside, in an order that sorts.
using Properties = std::tuple<std::string, float, float, float, float, float,
                              std::vector<std::int32_t>, float, float>;

std::vector<Properties> SortedProperties(const Document& document) {
    std::vector<Properties> all;
    for (const Artboard& a : document.artboards) {
        all.emplace_back(a.name, a.bounds.left, a.bounds.top, a.bounds.right, a.bounds.bottom,
                         a.pixelAspectRatio,
                         std::vector<std::int32_t>(a.displayMarks.begin(), a.displayMarks.end()),
                         a.rulerOrigin.h, a.rulerOrigin.v);
    }
    std::sort(all.begin(), all.end());
    return all;
}

bool SameProperties(const Document& a, const Document& b) {
    return std::equal(a.artboards.begin(), a.artboards.end(), b.artboards.begin(),
                      b.artboards.end(), [](Artboard x, Artboard y) {
                          x.id = y.id = 0;
                          return x == y;
                      });
}

// `document` written in `format` as `source` would be, read back: it must read, and hold
// `document`. Only an SVG output may be refused, for a name that XML cannot hold or bounds
// that a page's x, y, width and height cannot carry.
void CheckReadsBack(const DocumentFile& source, const Document& document, DocumentFormat format) {
    std::string bytes;
    try {
        bytes = RenderDocument(source, document, format);
    } catch (const InputError& error) {
        const std::string what = error.what();
        if (format == DocumentFormat::Svg &&
            (what.find("cannot hold") != std::string::npos ||
             what.find("cannot be written as an SVG page") != std::string::npos)) {
            return;
        }
        Fail("the output cannot be written", error.what());
    }
    try {
        const DocumentFile again = ParseDocumentFile("output", format, bytes);
        if (!SameProperties(again.document, document)) {
            Fail("the output reads back as another document", bytes);
        }
    } catch (const InputError& error) {
        Fail("the output does not read back", std::string(error.what()) + "\n" + bytes);
    }
}

}  // namespace

// The module stays mapped for the whole run: each input loads and unloads it again, and the
// coverage counters libFuzzer keeps track of must not be unmapped in between.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    if (dlopen(hostsim::DefaultModulePath().c_str(), RTLD_NOW | RTLD_NODELETE) == nullptr) {
        Fail("cannot load the module", dlerror());
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    DocumentFile input;
    try {
        input = ParseDocumentFile("input.json", DocumentFormat::Json, text);
    } catch (const InputError&) {
        return 0;  // refused with a message: what bad input should get
    }

    // A run that changes nothing writes the file back as it was, and the plain writing of the
    // document is a fixed point of reading and writing.
    if (RenderDocument(input, input.document, DocumentFormat::Json) != text) {
        Fail("an unchanged document is not written back byte for byte");
    }
    CheckReadsBack(input, input.document, DocumentFormat::Svg);

    ModuleRunRequest request;
    request.module = hostsim::DefaultModulePath();
    request.document = input.document;
    request.choose = size % 2 == 0 ? "Quorvane, Grid by Row" : "Quorvane, Grid by Column";
    const ModuleRunResult run = RunModule(request);
    if (!run.problems.empty()) {
        Fail("the host saw the module break its contract", run.problems);
    }
    if (!run.failure.empty() || !run.document) {
        Fail("the module's command failed", run.failure);
    }
    const Document& after = *run.document;
    if (SortedProperties(after) != SortedProperties(input.document)) {
        Fail("the renumbered artboards are not a permutation of the document's");
    }
    for (const auto format : {DocumentFormat::Json, DocumentFormat::Svg}) {
        CheckReadsBack(input, after, format);
    }
    return 0;
}
