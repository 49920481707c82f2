// The page's engine: the real module, linked into this WebAssembly program, renumbering a
// document given as bytes by the very job that `quorvane-host renumber` runs
// (hostsim/tool/run/RenumberJob.h), so that the page cannot drift from the command line.
//
// The page hands a document's bytes and the options over through the program's memory (never
// as a JavaScript string, which would overflow the stack for a document of a few megabytes),
// calls quorvane_renumber, and reads back each output as bytes: the document as the command
// line writes it, the picture, and a JSON report with the table, the warnings and the message
// of a document that cannot be read, each worded as the command line prints it.
#include <cmath>
#include <cstddef>
#include <new>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "hostsim/tool/documents/DocumentFile.h"
#include "hostsim/tool/documents/FloatText.h"
#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/report/GridCheck.h"
#include "hostsim/tool/report/Picture.h"
#include "hostsim/tool/report/Report.h"
#include "hostsim/tool/run/PageNames.h"
#include "hostsim/tool/run/RenumberJob.h"

extern "C" hostsim::abi::ErrorCode PluginMain(const char* caller, const char* selector,
                                              void* record);

namespace {

namespace tool = hostsim::tool;
using tool::GridOrder;

constexpr const char* kProgram = "quorvane-host";

// The outputs of the last run, kept until the next.
struct Outputs {
    std::string document;
    std::string picture;
    std::string report;
};
Outputs outputs;

// A failure of the page's own checks, with the command line's status and message.
struct Failure {
    int status = tool::kJobBadInput;
    std::string message;
};

std::string Warning(const std::string& text) {
    return std::string(kProgram) + ": warning: " + text;
}

// The table's rows: new number, name, left, top and the number it had (`former`, when given).
nlohmann::json Rows(const hostsim::Document& document, const std::vector<std::size_t>& former) {
    nlohmann::json rows = nlohmann::json::array();
    for (std::size_t k = 0; k < document.artboards.size(); ++k) {
        const auto& bounds = document.artboards[k].bounds;
        rows.push_back({{"number", k + 1},
                        {"name", tool::Printable(document.artboards[k].name)},
                        {"left", tool::FormatFloat(bounds.left)},
                        {"top", tool::FormatFloat(bounds.top)},
                        {"was", (former.empty() ? k : former[k]) + 1}});
    }
    return rows;
}

tool::DocumentFormat FormatOf(const std::string& name) {
    const auto format = tool::FormatOfPath(name);
    if (!format) {
        throw Failure{tool::kJobBadInput, name + ": is neither a .json nor an .svg document"};
    }
    return *format;
}

// The current numbering, as `quorvane-host show --picture` gives it: the near-misses of both
// orders, the table and the picture.
nlohmann::json Show(const std::string& name, std::string bytes) {
    const tool::DocumentFile input =
        tool::ParseDocumentFile(name, FormatOf(name), std::move(bytes));
    const hostsim::Document& document = input.document;
    nlohmann::json report;
    report["warnings"] = nlohmann::json::array();
    tool::PictureContent content;
    content.title = name + ": " + std::to_string(document.artboards.size()) + " artboards";
    for (const GridOrder order : {GridOrder::ByRow, GridOrder::ByColumn}) {
        const auto misses = tool::FindNearMisses(document, order);
        for (std::size_t n = 0; n < misses.size() && n < tool::kDescribedNearMisses; ++n) {
            report["warnings"].push_back(
                Warning(document.name + ": " + tool::DescribeNearMiss(document, misses[n])));
        }
        if (misses.size() > tool::kDescribedNearMisses) {
            report["warnings"].push_back(
                Warning(document.name + ": and " +
                        std::to_string(misses.size() - tool::kDescribedNearMisses) +
                        " more near-misses of " +
                        (order == GridOrder::ByColumn ? "columns" : "rows") + " like these"));
        }
        for (const auto& miss : misses) {
            content.nearMisses.insert(miss.first);
            content.nearMisses.insert(miss.second);
        }
    }
    outputs.picture = tool::DrawPicture(document, content);
    report["rows"] = Rows(document, {});
    report["table"] = tool::ShowTable(document);
    report["summary"] = content.title;
    report["status"] = tool::kJobSucceeded;
    return report;
}

// The renumbering, by the job that `quorvane-host renumber` runs.
nlohmann::json Renumber(const std::string& name, std::string bytes,
                        const tool::RenumberJobOptions& options) {
    tool::RenumberJobInput input;
    input.name = name;
    input.format = FormatOf(name);
    input.bytes = std::move(bytes);
    input.options = options;
    input.options.renderDocument = true;
    input.options.drawPicture = true;
    input.module.entry = &PluginMain;
    tool::RenumberJobResult result = tool::RunRenumberJob(input);

    nlohmann::json report;
    report["status"] = result.status;
    report["warnings"] = nlohmann::json::array();
    for (const auto& warning : result.warnings) {
        report["warnings"].push_back(Warning(warning));
    }
    if (result.status != tool::kJobSucceeded) {
        report["error"] = std::string(kProgram) + ": " + tool::Printable(result.error);
        return report;
    }
    // The table shows the renumbered document as it reads back.
    const tool::DocumentFile after =
        tool::ParseDocumentFile(name, result.inputFormat, result.document);
    report["rows"] = Rows(after.document, result.formerPositions);
    report["table"] = result.table;
    report["summary"] = result.Summary(result.Noun());
    report["renumbered"] = result.renumbered;
    // The verify step's verdict: every position traced back to exactly one artboard.
    report["verified"] = result.formerPositions.size() == result.total;
    outputs.document = std::move(result.document);
    outputs.picture = std::move(result.picture);
    return report;
}

}  // namespace

extern "C" {

// Memory for the page to write a document or a name into; null when there is none.
void* quorvane_alloc(std::size_t size) {
    return ::operator new(size == 0 ? 1 : size, std::nothrow);
}

void quorvane_free(void* memory) {
    ::operator delete(memory);
}

// Renumbers the document `bytes` (of `size`) named `name` (UTF-8, zero-terminated; its
// extension gives the format). `order` is 0 for rows, 1 for columns, -1 for none (the current
// numbering is shown, and no document is written). `rename` is a name pattern (PageNames.h;
// UTF-8, zero-terminated) as `--rename` takes it, empty included, or null to keep the names.
// Returns the command line's exit status: 0 renumbered, 2 the document cannot be read or an
// option is wrong, 1 the module failed or its result was not a renumbering; the report says
// why.
int quorvane_renumber(const char* name, const char* bytes, std::size_t size, int order,
                      double tolerance, int rightToLeft, int bottomUp, const char* rename) {
    outputs = {};
    nlohmann::json report;
    try {
        if (!(tolerance >= 0) || !std::isfinite(tolerance)) {
            throw Failure{tool::kJobBadInput,
                          "the tolerance must be a number of document units, 0 or more, not \"" +
                              tool::FormatDouble(tolerance) + "\""};
        }
        // A bad pattern is refused before the document is read, in the command line's words
        // (its usage error for --rename), whether or not an order is chosen yet.
        if (rename != nullptr) {
            if (auto wrong = tool::CheckNamePattern(rename)) {
                throw Failure{tool::kJobBadInput, "--rename: " + *wrong + " (see " +
                                                      std::string(kProgram) + " --help)"};
            }
        }
        tool::RenumberJobOptions options;
        options.order = order == 1 ? GridOrder::ByColumn : GridOrder::ByRow;
        options.view.tolerance = tolerance;
        options.view.rightToLeft = rightToLeft != 0;
        options.view.bottomUp = bottomUp != 0;
        options.rename = rename != nullptr ? rename : "";
        report = order < 0 ? Show(name, std::string(bytes, size))
                           : Renumber(name, std::string(bytes, size), options);
    } catch (const Failure& failure) {
        report = {{"status", failure.status},
                  {"warnings", nlohmann::json::array()},
                  {"error", std::string(kProgram) + ": " + tool::Printable(failure.message)}};
    } catch (...) {
        // What reading the document threw, worded and given a status as the command line does.
        const tool::JobFailure failure = tool::JobFailureForCurrentException();
        report = {{"status", failure.status},
                  {"warnings", nlohmann::json::array()},
                  {"error", std::string(kProgram) + ": " + tool::Printable(failure.message)}};
    }
    outputs.report = report.dump();
    return report["status"].get<int>();
}

// The outputs of the last run: 0 the document, 1 the picture, 2 the report (JSON).
const char* quorvane_output(int which) {
    const std::string& text = which == 0   ? outputs.document
                              : which == 1 ? outputs.picture
                                           : outputs.report;
    return text.data();
}

std::size_t quorvane_output_size(int which) {
    return which == 0   ? outputs.document.size()
           : which == 1 ? outputs.picture.size()
                        : outputs.report.size();
}

}  // extern "C"
