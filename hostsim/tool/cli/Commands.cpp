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

RenumberJobInput ReadJobInput(const std::string& document, const std::string& format) {
    RenumberJobInput input;
    input.name = document;
    // Given a format, the file's extension is not checked (the editor's temporary files).
    input.format = ParseFormat(format);
    if (!input.format) {
        input.format = FormatOfPath(document);
    }
    input.bytes = ReadWholeFile(document);
    return input;
}

void ReportJob(const RenumberJobResult& result, bool forEditor) {
    for (const auto& warning : result.warnings) {
        if (forEditor) {
            std::cerr << warning << "\n";
        } else {
            Warn(warning);
        }
    }
    if (result.status != kJobSucceeded) {
        throw Exit{result.status, result.error};
    }
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
        throw Exit{kBadInput,
                   Printable(picture) + ": a picture is an SVG file; give it the extension .svg"};
    }
    for (const auto& document : documents) {
        if (!document.empty() && SameFile(picture, document)) {
            throw Exit{kBadInput,
                       Printable(picture) + ": the picture would overwrite the document"};
        }
    }
}

}  // namespace hostsim::tool::cli
