// quorvane-host renumber: runs a grid command of the module on a document and writes the result.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "hostsim/abi/QuorvaneMenus.h"
#include "hostsim/loader/ModuleLoader.h"
#include "hostsim/tool/cli/Commands.h"
#include "hostsim/tool/cli/OptionChecks.h"
#include "hostsim/tool/documents/FileAccess.h"
#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/report/Picture.h"
#include "hostsim/tool/report/Report.h"
#include "hostsim/tool/run/ModuleRun.h"
#include "hostsim/tool/run/OrderView.h"

namespace hostsim::tool::cli {
namespace {

namespace fs = std::filesystem;
using menus::kByColumnLabel;
using menus::kByRowLabel;

// Says which of the input's keys an output in another format has no place for.
void WarnLeftBehind(const DocumentFile& input, const std::string& output, DocumentFormat format) {
    const auto keys = LeftBehindIn(input, format);
    if (keys.empty()) {
        return;
    }
    std::string list;
    for (const auto& key : keys) {
        list += (list.empty() ? "" : ", ") + key;
    }
    Warn(Printable(output) + ": an SVG document has no place for these keys of " +
         Printable(input.path) + ", which are left behind: " + list);
}

// Checks a trace path before anything runs: the trace must not overwrite a file of the run.
void CheckTracePath(const std::string& trace, const std::vector<std::string>& files) {
    for (const auto& file : files) {
        if (!trace.empty() && !file.empty() && file != kStandardOutput && SameFile(trace, file)) {
            throw Exit{kBadInput,
                       std::string(trace).append(": the trace would overwrite ").append(file)};
        }
    }
}

// The editor's wording of a near-miss: pages, without coordinates, since the editor shows
// them its own way.
std::string DescribeNearMissForEditor(const hostsim::Document& document, const NearMiss& miss) {
    const bool byRow = miss.order == GridOrder::ByRow;
    const auto& a = document.artboards[miss.first];
    const auto& b = document.artboards[miss.second];
    std::ostringstream text;
    text << "Quorvane: pages " << miss.first + 1 << " \"" << a.name << "\" and " << miss.second + 1
         << " \"" << b.name << "\" are numbered as different " << (byRow ? "rows" : "columns")
         << " though they overlap by more than half the "
         << (byRow ? "shorter one's height" : "narrower one's width") << " (a tolerance of "
         << miss.tolerance << " puts them in one " << (byRow ? "row" : "column") << ")";
    return text.str();
}

// What a renumber is about to do, checked before the module runs.
struct RenumberPlan {
    GridOrder order = GridOrder::ByRow;
    std::string label;                           // the menu item chosen
    std::optional<DocumentFormat> outputFormat;  // set when there is an output
    ViewOptions view;                            // the view the module runs on
};

// Checks the command line's paths before anything is read or run.
RenumberPlan ValidateRenumber(const RenumberOptions& options) {
    RenumberPlan plan;
    plan.order = ParseOrder(options.by);
    plan.label = plan.order == GridOrder::ByRow ? kByRowLabel : kByColumnLabel;
    plan.view = options.view.For(plan.order);
    if (!options.output.empty() && options.output != kStandardOutput) {
        plan.outputFormat = FormatOfPath(options.output);
        if (!plan.outputFormat) {
            throw Exit{kBadInput,
                       options.output + ": the output must be a .json or an .svg document"};
        }
    }
    if (!options.picture.empty()) {
        CheckPicturePath(options.picture, {options.document, options.output});
    }
    CheckTracePath(options.trace, {options.document, options.output, options.picture});
    CheckRenumberOutputs(options);
    return plan;
}

// Chooses the command on the document in the module; gives back the document after it.
hostsim::Document RunRenumberCommand(const RenumberOptions& options, const RenumberPlan& plan,
                                     const hostsim::Document& before) {
    ModuleRunRequest request;
    request.module =
        options.module.empty() ? hostsim::DefaultModulePath() : Utf8Path(options.module);
    request.document = before;
    request.choose = plan.label;
    request.trace = Utf8Path(options.trace);
    ModuleRunResult run = RunModuleInView(request, plan.view);
    // The result is verified next; a broken contract is the developers' business, not the
    // designer's, so the editor is not told of it.
    if (!run.problems.empty() && !options.forEditor) {
        Warn("the host saw the module break its contract:\n" + run.problems);
    }
    if (!run.failure.empty()) {
        throw Exit{kModuleFailed, options.document + ": " + run.failure + "; nothing written"};
    }
    if (!run.document || run.document->artboards.size() != before.artboards.size()) {
        throw Exit{kModuleFailed, options.document + ": \"" + plan.label +
                                      "\" changed the number of artboards; nothing written"};
    }
    return std::move(*run.document);
}

using FormerPositions = std::vector<std::optional<std::size_t>>;

// Checks that the result is a renumbering of `before`: for each new position, the old
// position whose artboard now stands there, every one of them set.
FormerPositions VerifyRenumbering(const RenumberOptions& options, const RenumberPlan& plan,
                                  const hostsim::Document& before, const hostsim::Document& after) {
    FormerPositions former = TraceFormerPositions(before, after);
    for (std::size_t k = 0; k < former.size(); ++k) {
        if (!former[k]) {
            throw Exit{kModuleFailed,
                       options.document + ": \"" + plan.label + "\" left artboard " +
                           std::to_string(k + 1) +
                           " with properties that no artboard had before; nothing written"};
        }
    }
    return former;
}

// How many artboards moved, for the summary line and the picture's title.
struct RenumberSummary {
    std::size_t renumbered = 0;
    std::size_t total = 0;
    GridOrder order = GridOrder::ByRow;
    std::string orderText;  // OrderDescription

    // "3 of 9 renumbered by row", or with `noun` "3 of 9 artboards renumbered by row".
    std::string Text(const std::string& noun = "") const {
        return std::to_string(renumbered) + " of " + std::to_string(total) + " " +
               (noun.empty() ? "" : noun + " ") + "renumbered by " + orderText;
    }
};

RenumberSummary Summarise(const FormerPositions& former, const RenumberPlan& plan,
                          const ViewFlags& view) {
    RenumberSummary summary{0, former.size(), plan.order, OrderDescription(plan.order, view)};
    for (std::size_t k = 0; k < former.size(); ++k) {
        summary.renumbered += *former[k] != k ? 1 : 0;
    }
    return summary;
}

std::string DrawRenumberPicture(const RenumberOptions& options, const hostsim::Document& before,
                                const hostsim::Document& after, const FormerPositions& former,
                                const RenumberSummary& summary) {
    PictureContent content;
    content.title = Utf8Name(Utf8Path(options.document).filename()) + ": " + summary.Text();
    content.formerNumbers.resize(former.size());
    for (std::size_t k = 0; k < former.size(); ++k) {
        content.formerNumbers[k] = *former[k] + 1;
    }
    const ViewOptions view = options.view.For(summary.order);
    if (!view.IsExact()) {
        content.lines = ViewLines(after, view);
        content.lineNoun = OrderName(summary.order);
    }
    // Near-misses are found in the input; the picture shows the artboards where they stand
    // now.
    for (const auto position : NearMissPositions(before, {view})) {
        for (std::size_t k = 0; k < former.size(); ++k) {
            if (*former[k] == position) {
                content.nearMisses.insert(k);
            }
        }
    }
    return DrawPicture(after, content);
}

// Prints the table and summary and writes the document and the picture, as the options ask.
// Everything is drawn before anything is written, and then written all or nothing; the
// document is renamed into place last, so that it is unchanged whenever the run fails.
void WriteRenumber(const RenumberOptions& options, const RenumberPlan& plan,
                   const DocumentFile& input, const hostsim::Document& after,
                   const FormerPositions& former, const RenumberSummary& summary) {
    if (options.output.empty() || options.dryRun) {
        std::cout << RenumberTable(after, former);
    }

    if (options.dryRun) {
        std::cout << summary.Text("artboards") << "; dry run, nothing written\n";
        return;
    }
    OutputSet outputs;
    if (!options.picture.empty()) {
        outputs.Add(options.picture,
                    DrawRenumberPicture(options, input.document, after, former, summary));
    }
    // Standard output carries the document alone, in the input's format; it is printed once
    // the picture is in place.
    const bool toStandardOutput = options.output == kStandardOutput;
    std::string printed;
    if (toStandardOutput) {
        printed = RenderDocument(input, after, input.format, former);
    } else if (!options.output.empty()) {
        WarnLeftBehind(input, options.output, *plan.outputFormat);
        outputs.Add(options.output, RenderDocument(input, after, *plan.outputFormat, former));
    }
    outputs.Commit();
    if (toStandardOutput) {
        std::cout << printed << std::flush;
    } else if (!options.output.empty()) {
        std::cout << options.output << ": " << summary.Text("artboards") << "\n";
    }
    if (!options.picture.empty() && !toStandardOutput) {
        std::cout << "picture: " << options.picture << "\n";
    }
}

}  // namespace

int Renumber(const RenumberOptions& given) {
    RenumberOptions options = given;
    RenumberPlan plan = ValidateRenumber(options);
    const DocumentFile input = ReadDocumentFile(options.document, ParseFormat(options.format));
    if (options.absorbEditorRounding) {
        options.view.tolerance = std::max(options.view.tolerance, EditorRounding(input.document));
        plan.view = options.view.For(plan.order);
    }
    if (options.forEditor) {
        const auto misses = options.editorWarnings ? FindNearMisses(input.document, plan.view)
                                                   : std::vector<NearMiss>{};
        for (std::size_t n = 0; n < misses.size() && n < kDescribedNearMisses; ++n) {
            std::cerr << DescribeNearMissForEditor(input.document, misses[n]) << "\n";
        }
        if (misses.size() > kDescribedNearMisses) {
            std::cerr << "Quorvane: and " << misses.size() - kDescribedNearMisses
                      << " more near-misses like these\n";
        }
    } else {
        WarnNearMisses(input.document, plan.view);
    }
    const hostsim::Document after = RunRenumberCommand(options, plan, input.document);
    const FormerPositions former = VerifyRenumbering(options, plan, input.document, after);
    WriteRenumber(options, plan, input, after, former, Summarise(former, plan, options.view));
    return kSuccess;
}

int ShowInView(const RenumberOptions& options) {
    const RenumberPlan plan = ValidateRenumber(options);
    const DocumentFile input = ReadDocumentFile(options.document, ParseFormat(options.format));
    WarnNearMisses(input.document, plan.view);
    const hostsim::Document after = RunRenumberCommand(options, plan, input.document);
    const FormerPositions former = VerifyRenumbering(options, plan, input.document, after);
    const RenumberSummary summary = Summarise(former, plan, options.view);
    std::cout << RenumberTable(after, former);
    if (!options.picture.empty()) {
        ReplaceFile(options.picture,
                    DrawRenumberPicture(options, input.document, after, former, summary));
        std::cout << "picture: " << options.picture << "\n";
    }
    return kSuccess;
}

}  // namespace hostsim::tool::cli
