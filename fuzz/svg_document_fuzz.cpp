// libFuzzer target for SVG documents: whatever the bytes, reading either refuses them with an
// InputError or gives a document that
//   - is written back unchanged byte for byte when nothing changed,
//   - renumbers through the real module (by row or by column, chosen by the input's length)
//     without a contract violation,
//   - is written, renumbered, as well-formed SVG that reads back to exactly the renumbered
//     artboards, which are the input's artboards in another order, each page element moved
//     whole to its new place (and, with no permutation given, properties moved between them),
//   - and is written as a new file that reads back to the same artboards.
// and libxml2, the editor's own XML parser, agrees on whether the bytes are well-formed
// (XmlDifferential.h). Any other exception, a crash or a sanitizer report is a finding; a broken
// property aborts with what broke on standard error.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/DocumentFuzz.h"
#include "fuzz/XmlDifferential.h"
#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/documents/SvgDocument.h"

namespace {

using namespace hostsim::tool;
using quorvane::fuzz::Broken;
using quorvane::fuzz::SameArtboards;

SvgDocument ReadBack(const std::string& text, const char* what) {
    try {
        return ReadSvgDocument("written.svg", text);
    } catch (const InputError& error) {
        Broken(std::string(what) + " does not read back: " + error.what(), text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    quorvane::fuzz::KeepModuleMapped();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const auto why = quorvane::fuzz::Disagreement(text)) {
        Broken("the XML readers disagree: " + *why, text);
    }
    SvgDocument read;
    try {
        read = ReadSvgDocument("input.svg", text);
    } catch (const InputError&) {
        return 0;
    }
    if (WriteSvgDocument(read.document, &read.layout) != text) {
        Broken("an unchanged document is not written back byte for byte");
    }

    const ModuleRunResult run = quorvane::fuzz::RunRenumber(read.document, size);
    if (!run.failure.empty() || !run.document) {
        // The module refused the document (an artboard it cannot place): nothing to write.
        return 0;
    }
    const hostsim::Document& after = *run.document;

    // Whole pages moved by the permutation the module chose (as the program writes), and, with
    // no permutation, each page's properties moved into the element at its new position.
    std::vector<std::size_t> sources;
    for (const auto& former : hostsim::tool::TraceFormerPositions(read.document, after)) {
        sources.push_back(*former);  // RunRenumber breaks on anything but a permutation
    }
    for (const auto& order : {sources, std::vector<std::size_t>{}}) {
        const std::string written = WriteSvgDocument(after, &read.layout, order);
        const SvgDocument again = ReadBack(written, "the renumbered document");
        if (!SameArtboards(again.document, after)) {
            Broken("the renumbered document reads back to other artboards", written);
        }
        if (WriteSvgDocument(again.document, &again.layout) != written) {
            Broken("the renumbered document is not written back byte for byte", written);
        }
        for (std::size_t k = 0; k < order.size(); ++k) {
            const auto& from = read.layout.pages[order[k]];
            const auto& to = again.layout.pages[k];
            if (written.compare(to.tagBegin, to.end - to.tagBegin, text, from.tagBegin,
                                from.end - from.tagBegin) != 0) {
                Broken("page " + std::to_string(order[k] + 1) + " did not travel whole", written);
            }
        }
    }

    const std::string fresh = WriteSvgDocument(read.document, nullptr);
    if (!SameArtboards(ReadBack(fresh, "a new file").document, read.document)) {
        Broken("a new file reads back to other artboards", fresh);
    }
    return 0;
}
