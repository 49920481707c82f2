#include <iostream>
#include <new>

#include "hostsim/tool/cli/Commands.h"
#include "hostsim/tool/documents/FileAccess.h"
#include "hostsim/tool/documents/FloatText.h"
#include "hostsim/tool/documents/InputError.h"

namespace hostsim::tool::cli {

Exit ExitForCurrentException() {
    try {
        throw;
    } catch (const Exit& exit) {
        return exit;
    } catch (...) {
        const JobFailure failure = JobFailureForCurrentException();
        return {failure.status, failure.message};
    }
}

void Warn(const std::string& text) {
    std::cerr << kProgram << ": warning: " << text << "\n";
}

GridOrder ParseOrder(const std::string& by) {
    return by == "column" ? GridOrder::ByColumn : GridOrder::ByRow;
}

void WarnNearMisses(const hostsim::Document& document, const ViewOptions& view) {
    const auto misses = FindNearMisses(document, view);
    for (std::size_t n = 0; n < misses.size() && n < kDescribedNearMisses; ++n) {
        Warn(document.name + ": " + DescribeNearMiss(document, misses[n]));
    }
    if (misses.size() > kDescribedNearMisses) {
        Warn(document.name + ": and " + std::to_string(misses.size() - kDescribedNearMisses) +
             " more near-misses of " + (view.byColumn ? "columns" : "rows") + " like these");
    }
}

std::set<std::size_t> NearMissPositions(const hostsim::Document& document,
                                        const std::vector<ViewOptions>& views) {
    std::set<std::size_t> positions;
    for (const auto& view : views) {
        for (const auto& miss : FindNearMisses(document, view)) {
            positions.insert(miss.first);
            positions.insert(miss.second);
        }
    }
    return positions;
}

std::optional<DocumentFormat> ParseFormat(const std::string& format) {
    if (format.empty()) {
        return std::nullopt;
    }
    return format == "json" ? DocumentFormat::Json : DocumentFormat::Svg;
}

// Checks a picture path before anything runs: it must be an .svg that is not the document.
void CheckPicturePath(const std::string& picture, const std::vector<std::string>& documents) {
    if (FormatOfPath(picture) != DocumentFormat::Svg) {
        throw Exit{kBadInput, picture + ": a picture is an SVG file; give it the extension .svg"};
    }
    for (const auto& document : documents) {
        if (!document.empty() && SameFile(picture, document)) {
            throw Exit{kBadInput, picture + ": the picture would overwrite the document"};
        }
    }
}

}  // namespace hostsim::tool::cli
