// quorvane-host: renumbers the artboards of documents on disk with the real Quorvane module,
// playing the host application's part around it.
//
// Exit status: 0 success; 1 the module's command (or its start-up or shut-down) failed, or
// its result was not a renumbering; 2 usage errors and bad input. Errors are one line on
// standard error naming the file, and where known the line, artboard and field.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "hostsim/ModuleLoader.h"
#include "hostsim/tool/DocumentFile.h"
#include "hostsim/tool/FileAccess.h"
#include "hostsim/tool/GridCheck.h"
#include "hostsim/tool/InputError.h"
#include "hostsim/tool/ModuleRun.h"
#include "hostsim/tool/Picture.h"
#include "hostsim/tool/Report.h"
#include "hostsim/tool/Validate.h"

namespace {

using namespace hostsim::tool;
namespace fs = std::filesystem;

constexpr int kSuccess = 0;
constexpr int kModuleFailed = 1;
constexpr int kBadInput = 2;

constexpr const char* kProgram = "quorvane-host";
constexpr const char* kOutOfMemory =
    "quorvane-host: out of memory: the document is too large for this machine; nothing written";
constexpr const char* kByRowLabel = "Quorvane, Grid by Row";
constexpr const char* kByColumnLabel = "Quorvane, Grid by Column";
constexpr const char* kAboutLabel = "Quorvane...";

// Thrown by a command to end the program with a status and one line on standard error.
struct Exit {
    int status;
    std::string message;
};

void Warn(const std::string& text) {
    std::cerr << kProgram << ": warning: " << text << "\n";
}

GridOrder ParseOrder(const std::string& by) {
    return by == "column" ? GridOrder::ByColumn : GridOrder::ByRow;
}

void WarnNearMisses(const hostsim::Document& document, GridOrder order) {
    for (const auto& miss : FindNearMisses(document, order)) {
        Warn(document.name + ": " + DescribeNearMiss(document, miss));
    }
}

std::set<std::size_t> NearMissPositions(const hostsim::Document& document,
                                        const std::vector<GridOrder>& orders) {
    std::set<std::size_t> positions;
    for (const auto order : orders) {
        for (const auto& miss : FindNearMisses(document, order)) {
            positions.insert(miss.first);
            positions.insert(miss.second);
        }
    }
    return positions;
}

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

// "-" as an output: standard output, which then carries the document and nothing else.
constexpr const char* kStandardOutput = "-";

// Checks a trace path before anything runs: the trace must not overwrite a file of the run.
void CheckTracePath(const std::string& trace, const std::vector<std::string>& files) {
    for (const auto& file : files) {
        if (!trace.empty() && !file.empty() && file != kStandardOutput && SameFile(trace, file)) {
            throw Exit{kBadInput,
                       std::string(trace).append(": the trace would overwrite ").append(file)};
        }
    }
}

struct RenumberOptions {
    std::string by;
    std::string module;
    std::string output;  // a file, kStandardOutput, or empty for none
    std::string picture;
    bool dryRun = false;
    std::string format;  // "json" or "svg"; empty: from the name, else from the content
    std::string document;
    bool forEditor = false;  // run as the editor's extension: see RunAsEditorEffect
    std::string trace;
};

std::optional<DocumentFormat> ParseFormat(const std::string& format) {
    if (format.empty()) {
        return std::nullopt;
    }
    return format == "json" ? DocumentFormat::Json : DocumentFormat::Svg;
}

// The editor's wording of a near-miss: pages, and only how far apart they are, since the
// editor shows coordinates its own way.
std::string DescribeNearMissForEditor(const hostsim::Document& document, const NearMiss& miss) {
    const bool byRow = miss.order == GridOrder::ByRow;
    const auto& a = document.artboards[miss.first];
    const auto& b = document.artboards[miss.second];
    const double gap = byRow ? std::abs(static_cast<double>(a.bounds.top) - b.bounds.top)
                             : std::abs(static_cast<double>(a.bounds.left) - b.bounds.left);
    std::ostringstream text;
    text << "Quorvane: pages " << miss.first + 1 << " \"" << a.name << "\" and " << miss.second + 1
         << " \"" << b.name << "\" are numbered as different " << (byRow ? "rows" : "columns")
         << " though their " << (byRow ? "tops" : "left edges") << " are only " << gap
         << " apart (to share a " << (byRow ? "row" : "column") << " they must line up exactly)";
    return text.str();
}

// What a renumber is about to do, checked before the module runs.
struct RenumberPlan {
    GridOrder order = GridOrder::ByRow;
    std::string label;                           // the menu item chosen
    std::optional<DocumentFormat> outputFormat;  // set when there is an output
};

// Checks the command line's paths before anything is read or run.
RenumberPlan ValidateRenumber(const RenumberOptions& options) {
    RenumberPlan plan;
    plan.order = ParseOrder(options.by);
    plan.label = plan.order == GridOrder::ByRow ? kByRowLabel : kByColumnLabel;
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
    return plan;
}

// Chooses the command on the document in the module; gives back the document after it.
hostsim::Document RunRenumberCommand(const RenumberOptions& options, const RenumberPlan& plan,
                                     const hostsim::Document& before) {
    ModuleRunRequest request;
    request.module =
        options.module.empty() ? hostsim::DefaultModulePath() : fs::path(options.module);
    request.document = before;
    request.choose = plan.label;
    request.trace = options.trace;
    ModuleRunResult run = RunModule(request);
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

    // "3 of 9 renumbered by row", or with `noun` "3 of 9 artboards renumbered by row".
    std::string Text(const std::string& noun = "") const {
        return std::to_string(renumbered) + " of " + std::to_string(total) + " " +
               (noun.empty() ? "" : noun + " ") + "renumbered by " + OrderName(order);
    }
};

RenumberSummary Summarise(const FormerPositions& former, GridOrder order) {
    RenumberSummary summary{0, former.size(), order};
    for (std::size_t k = 0; k < former.size(); ++k) {
        summary.renumbered += *former[k] != k ? 1 : 0;
    }
    return summary;
}

std::string DrawRenumberPicture(const RenumberOptions& options, const hostsim::Document& before,
                                const hostsim::Document& after, const FormerPositions& former,
                                const RenumberSummary& summary) {
    PictureContent content;
    content.title = fs::path(options.document).filename().string() + ": " + summary.Text();
    content.formerNumbers.resize(former.size());
    for (std::size_t k = 0; k < former.size(); ++k) {
        content.formerNumbers[k] = *former[k] + 1;
    }
    // Near-misses are found in the input; the picture shows the artboards where they stand
    // now.
    for (const auto position : NearMissPositions(before, {summary.order})) {
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
        printed = RenderDocument(input, after, input.format);
    } else if (!options.output.empty()) {
        WarnLeftBehind(input, options.output, *plan.outputFormat);
        outputs.Add(options.output, RenderDocument(input, after, *plan.outputFormat));
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

int Renumber(const RenumberOptions& options) {
    const RenumberPlan plan = ValidateRenumber(options);
    const DocumentFile input = ReadDocumentFile(options.document, ParseFormat(options.format));
    if (options.forEditor) {
        for (const auto& miss : FindNearMisses(input.document, plan.order)) {
            std::cerr << DescribeNearMissForEditor(input.document, miss) << "\n";
        }
    } else {
        WarnNearMisses(input.document, plan.order);
    }
    const hostsim::Document after = RunRenumberCommand(options, plan, input.document);
    const FormerPositions former = VerifyRenumbering(options, plan, input.document, after);
    WriteRenumber(options, plan, input, after, former, Summarise(former, plan.order));
    return kSuccess;
}

int Show(const std::string& document, const std::string& by, const std::string& picture,
         const std::string& format) {
    if (!picture.empty()) {
        CheckPicturePath(picture, {document});
    }
    const DocumentFile input = ReadDocumentFile(document, ParseFormat(format));
    std::vector<GridOrder> orders = {GridOrder::ByRow, GridOrder::ByColumn};
    if (!by.empty()) {
        orders = {ParseOrder(by)};
    }
    for (const auto order : orders) {
        WarnNearMisses(input.document, order);
    }
    std::cout << ShowTable(input.document);
    if (!picture.empty()) {
        PictureContent content;
        content.title = fs::path(document).filename().string() + ": " +
                        std::to_string(input.document.artboards.size()) + " artboards";
        content.nearMisses = NearMissPositions(input.document, orders);
        ReplaceFile(picture, DrawPicture(input.document, content));
        std::cout << "picture: " << picture << "\n";
    }
    return kSuccess;
}

ModuleRunResult RunWithoutDocument(const std::string& module,
                                   const std::optional<std::string>& choose) {
    ModuleRunRequest request;
    request.module = module.empty() ? hostsim::DefaultModulePath() : fs::path(module);
    request.choose = choose;
    ModuleRunResult run = RunModule(request);
    if (!run.problems.empty()) {
        Warn("the host saw the module break its contract:\n" + run.problems);
    }
    if (!run.failure.empty()) {
        throw Exit{kModuleFailed, request.module.string() + ": " + run.failure};
    }
    return run;
}

int Menus(const std::string& module) {
    std::cout << RunWithoutDocument(module, std::nullopt).menuTree;
    return kSuccess;
}

int About(const std::string& module) {
    const ModuleRunResult run = RunWithoutDocument(module, std::string(kAboutLabel));
    if (run.alerts.empty()) {
        throw Exit{kModuleFailed, "\"" + std::string(kAboutLabel) + "\" showed no alert"};
    }
    for (std::string alert : run.alerts) {
        alert.erase(alert.find_last_not_of('\n') + 1);
        std::cout << alert << "\n";
    }
    return kSuccess;
}

// The editor's extension (extensions/inkscape/*.inx) runs the program as
//   quorvane-host [EDITOR OPTIONS...] --inkscape-effect=by-row|by-column FILE
// where FILE is the editor's temporary copy of the document (its name says no format) and the
// editor's own options (--id=ID for each selected object, and any it may add) are accepted and
// ignored. The renumbered document goes to standard output, which the editor reads back.
// Standard error, which the editor shows in a message box even on success, stays empty
// unless the designer must know something: a near-miss, or why nothing changed. On failure
// nothing is written to standard output, so the editor keeps the document as it was.
constexpr std::string_view kEditorOption = "--inkscape-effect=";

bool IsEditorRun(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]).starts_with(kEditorOption)) {
            return true;
        }
    }
    return false;
}

// A message about `document` as a designer reads it in the editor's message box: without the
// temporary file's name and line, which mean nothing to them.
std::string ForEditor(std::string message, const std::string& document) {
    if (!document.empty() && message.starts_with(document + ":")) {
        message.erase(0, document.size() + 1);
        const auto digits = message.find_first_not_of("0123456789");
        if (digits != 0 && digits != std::string::npos && message[digits] == ':') {
            message.erase(0, digits + 1);
        }
        message.erase(0, message.find_first_not_of(' '));
    }
    const std::string nothingWritten = "; nothing written";
    if (message.ends_with(nothingWritten)) {
        message.erase(message.size() - nothingWritten.size());
    }
    return "Quorvane could not renumber the pages, the document is unchanged: " + message;
}

int RunAsEditorEffect(int argc, char** argv) {
    RenumberOptions options;
    options.output = kStandardOutput;
    options.forEditor = true;
    std::vector<std::string> documents;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument.starts_with(kEditorOption)) {
            const auto effect = argument.substr(kEditorOption.size());
            if (effect != "by-row" && effect != "by-column") {
                std::cerr << ForEditor("unknown command \"" + std::string(effect) +
                                           "\" (by-row or by-column); reinstall the extension",
                                       "")
                          << "\n";
                return kBadInput;
            }
            options.by = effect == "by-row" ? "row" : "column";
        } else if (!argument.starts_with("--")) {
            documents.emplace_back(argument);
        }
    }
    if (documents.size() != 1) {
        std::cerr << ForEditor("the editor gave " + std::to_string(documents.size()) +
                                   " documents instead of one",
                               "")
                  << "\n";
        return kBadInput;
    }
    options.document = documents.front();
    try {
        return Renumber(options);
    } catch (const Exit& exit) {
        std::cerr << ForEditor(exit.message, options.document) << "\n";
        return exit.status;
    } catch (const InputError& error) {
        std::cerr << ForEditor(error.what(), options.document) << "\n";
        return kBadInput;
    } catch (const std::exception& error) {
        std::cerr << ForEditor(error.what(), options.document) << "\n";
        return kModuleFailed;
    }
}

CLI::App* AddValidateCommand(CLI::App& app, ValidateOptions& options,
                             const std::string& moduleHelp) {
    auto* command = app.add_subcommand(
        "validate",
        "Prove the module sound: named checks, each in a process of its own, under every host "
        "failure and many message orders");
    command->add_option("--module,MODULE", options.module, moduleHelp);
    command->add_flag("--json", options.json, "Write the results as one JSON document");
    command->add_option("--seed", options.seed,
                        "Replay the message sequence of this seed in message-order-fuzz");
    command->add_option("--only", options.only, "Run only these checks (by name)");
    command
        ->add_option("--time-limit", options.timeLimitSeconds,
                     "Seconds each check may take before it counts as timed out (default 300)")
        ->check(CLI::PositiveNumber);
    // The child process's side of a check, on platforms without fork.
    command->add_option("--child", options.child)->group("");
    return command;
}

int Run(int argc, char** argv) {
    if (IsEditorRun(argc, argv)) {
        return RunAsEditorEffect(argc, argv);
    }
    CLI::App app(
        "Renumbers the artboards of a document by grid position with the Quorvane "
        "module,\nplaying the host application's part around it.",
        kProgram);
    // The same options everywhere: on Windows a path such as /tmp/posters.json is a path, not
    // an option. (Set before the commands are added, which take it over.)
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string(kProgram) + " " + QUORVANE_VERSION);
    app.require_subcommand(1);
    // Usage errors in one line, like every other error.
    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return std::string(kProgram) + ": " + error.what() + " (see " + kProgram + " --help)\n";
    });
    app.footer(
        "Exit status: 0 success, 1 the module's command failed, 2 usage error or bad "
        "input.");
    const std::string moduleHelp =
        "The module to load (default: " + hostsim::DefaultModulePath().string() + ")";

    const std::string formatHelp =
        "The document's format, json or svg (default: from its name, else from its content)";

    RenumberOptions renumber;
    auto* renumberCommand = app.add_subcommand(
        "renumber", "Renumber the artboards by grid position, as the menu command does");
    renumberCommand
        ->add_option("--by", renumber.by, "The grid order: row (rows top to bottom) or column")
        ->required()
        ->check(CLI::IsMember({"row", "column"}));
    renumberCommand->add_option("--module", renumber.module, moduleHelp);
    renumberCommand->add_option("-o,--output", renumber.output,
                                "Write the renumbered document here (.json or .svg; may be the "
                                "document itself; - for standard output, in the document's "
                                "format, with nothing else there)");
    renumberCommand->add_option("--format", renumber.format, formatHelp)
        ->check(CLI::IsMember({"json", "svg"}));
    renumberCommand->add_option("--picture", renumber.picture,
                                "Draw the new numbering into this SVG picture");
    renumberCommand->add_flag("-n,--dry-run", renumber.dryRun,
                              "Print what would change and write nothing");
    renumberCommand->add_option("--trace", renumber.trace,
                                "Write every message and host call to this file, one line each");
    renumberCommand->add_option("DOCUMENT", renumber.document, "A .json or .svg document")
        ->required();

    std::string showDocument;
    std::string showBy;
    std::string showPicture;
    auto* showCommand =
        app.add_subcommand("show", "Print a document's artboards in their current numbering");
    showCommand->add_option("--by", showBy, "Check near-misses of this order only (row or column)")
        ->check(CLI::IsMember({"row", "column"}));
    showCommand->add_option("--picture", showPicture, "Draw the numbering into this SVG picture");
    std::string showFormat;
    showCommand->add_option("--format", showFormat, formatHelp)
        ->check(CLI::IsMember({"json", "svg"}));
    showCommand->add_option("DOCUMENT", showDocument, "A .json or .svg document")->required();

    std::string menusModule;
    auto* menusCommand =
        app.add_subcommand("menus", "Print the menus after the module has started up");
    menusCommand->add_option("--module", menusModule, moduleHelp);

    std::string aboutModule;
    auto* aboutCommand =
        app.add_subcommand("about", "Choose the module's About item and print its alert");
    aboutCommand->add_option("--module", aboutModule, moduleHelp);

    ValidateOptions validate;
    auto* validateCommand = AddValidateCommand(app, validate, moduleHelp);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? kSuccess : kBadInput;
    }

    try {
        if (renumberCommand->parsed()) {
            return Renumber(renumber);
        }
        if (showCommand->parsed()) {
            return Show(showDocument, showBy, showPicture, showFormat);
        }
        if (menusCommand->parsed()) {
            return Menus(menusModule);
        }
        if (validateCommand->parsed()) {
            return Validate(validate);
        }
        return About(aboutModule);
    } catch (const Exit& exit) {
        std::cerr << kProgram << ": " << Printable(exit.message) << "\n";
        return exit.status;
    } catch (const InputError& error) {
        std::cerr << kProgram << ": " << Printable(error.what()) << "\n";
        return kBadInput;
    } catch (const std::bad_alloc&) {
        std::cerr << kOutOfMemory << "\n";
        return kBadInput;
    } catch (const std::exception& error) {
        std::cerr << kProgram << ": " << Printable(error.what()) << "\n";
        return kModuleFailed;
    }
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        // Whatever ran out of memory, the document is as large as this machine can take.
        std::fputs(kOutOfMemory, stderr);
        std::fputs("\n", stderr);
        return kBadInput;
    } catch (const std::exception& error) {
        std::cerr << kProgram << ": " << error.what() << "\n";
    } catch (...) {
        std::cerr << kProgram << ": failed for an unknown reason\n";
    }
    return kModuleFailed;
}
