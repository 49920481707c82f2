// Fuzz target for the JSON reader and writer, with the real module in between: whatever the
// bytes, reading either gives a document or an InputError; a document that reads is written
// back unchanged byte for byte, renumbered by the module into a permutation of its own
// artboards, and every output (JSON and SVG) reads back as the document that was written.
// Any other outcome aborts, which libFuzzer reports with the input.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/DocumentFuzz.h"
#include "hostsim/tool/documents/DocumentFile.h"
#include "hostsim/tool/documents/InputError.h"

namespace {

using namespace hostsim::tool;
using hostsim::Document;
using quorvane::fuzz::Broken;
using quorvane::fuzz::SameArtboards;

// `document` written in `format` as `source` would be, read back: it must read, and hold
// `document`. Only an SVG output may be refused, for a name that XML cannot hold or bounds
// that a page's x, y, width and height cannot carry.
void CheckReadsBack(const DocumentFile& source, const Document& document, DocumentFormat format,
                    const std::vector<std::optional<std::size_t>>& former = {}) {
    std::string bytes;
    try {
        bytes = RenderDocument(source, document, format, former);
    } catch (const InputError& error) {
        const std::string what = error.what();
        if (format == DocumentFormat::Svg &&
            (what.find("cannot hold") != std::string::npos ||
             what.find("cannot be written as an SVG page") != std::string::npos)) {
            return;
        }
        Broken("the output cannot be written", error.what());
    }
    try {
        const DocumentFile again = ParseDocumentFile("output", format, bytes);
        if (!SameArtboards(again.document, document)) {
            Broken("the output reads back as another document", bytes);
        }
    } catch (const InputError& error) {
        Broken("the output does not read back", std::string(error.what()) + "\n" + bytes);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    quorvane::fuzz::KeepModuleMapped();
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
        Broken("an unchanged document is not written back byte for byte");
    }
    CheckReadsBack(input, input.document, DocumentFormat::Svg);

    const ModuleRunResult run = quorvane::fuzz::RunRenumber(input.document, size);
    if (!run.failure.empty() || !run.document) {
        Broken("the module's command failed", run.failure);
    }
    const Document& after = *run.document;
    const auto former = hostsim::tool::TraceFormerPositions(input.document, after);
    for (const auto format : {DocumentFormat::Json, DocumentFormat::Svg}) {
        CheckReadsBack(input, after, format);
        CheckReadsBack(input, after, format, former);
    }
    return 0;
}
