#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "hostsim/loader/ModuleLoader.h"
#include "hostsim/tool/cli/Commands.h"
#include "hostsim/tool/cli/OptionChecks.h"
#include "hostsim/tool/documents/FileAccess.h"
#include "hostsim/tool/documents/FloatText.h"
#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/report/Picture.h"
#include "hostsim/tool/report/Report.h"
#include "hostsim/tool/run/ModuleRun.h"

namespace hostsim::tool::cli {
namespace {

namespace fs = std::filesystem;

// The editor's extension (extensions/inkscape/*.inx) runs the program as
//   quorvane-host [EDITOR OPTIONS...] --inkscape-effect=by-row|by-column FILE
// (or --inkscape-effect=custom with the dialog's parameters: ApplyDialogParameter)
// where FILE is the editor's temporary copy of the document (its name says no format) and the
// editor's own options (--id=ID for each selected object, and any it may add) are accepted and
// ignored. The renumbered document goes to standard output, which the editor reads back.
// Standard error, which the editor shows in a message box even on success, stays empty on
// success, so that a batch run never waits for a click; only the dialog effect, when its
// checkbox asks, warns of near-misses there. A failure says why nothing changed. On failure
// nothing is written to standard output, so the editor keeps the document as it was.
constexpr std::string_view kEditorOption = "--inkscape-effect=";

}  // namespace

bool IsEditorRun(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]).starts_with(kEditorOption)) {
            return true;
        }
    }
    return false;
}

namespace {

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
    return Printable("Quorvane could not renumber the pages, the document is unchanged: " +
                     message);
}

}  // namespace

namespace {

// The dialog's choices of names (--names=...) and the patterns they stand for; "" keeps the
// names. Fixed choices rather than a typed pattern: with live preview on, every keystroke of
// a half-typed pattern would run the effect and open a message box.
std::optional<std::string> DialogNamePattern(std::string_view choice) {
    const struct {
        const char* choice;
        const char* pattern;
    } patterns[] = {
        {"keep", ""},
        {"page-number", "Page {n}"},
        {"number-name", "{n} {name}"},
        {"number", "{n}"},
    };
    for (const auto& item : patterns) {
        if (choice == item.choice) {
            return item.pattern;
        }
    }
    return std::nullopt;
}

// The dialog effect's parameters (extensions/inkscape/quorvane-renumber-custom.inx), as the
// editor passes them: --order=rows|columns, --horizontal=left-to-right|right-to-left,
// --vertical=top-down|bottom-up, --tolerance=UNITS, --warnings=true|false,
// --names=keep|page-number|number-name|number. Sets one into
// `options`; gives back what is wrong with it, or nothing (also for any other option, which
// the editor may add).
std::optional<std::string> ApplyDialogParameter(std::string_view argument,
                                                RenumberOptions& options) {
    const auto equals = argument.find('=');
    if (!argument.starts_with("--") || equals == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string name(argument.substr(2, equals - 2));
    const std::string value(argument.substr(equals + 1));
    const struct {
        const char* name;
        const char* first;   // the value that sets `flag` false ...
        const char* second;  // ... and true
        bool* flag;
    } choices[] = {
        {"order", "rows", "columns", nullptr},
        {"horizontal", "left-to-right", "right-to-left", &options.view.rightToLeft},
        {"vertical", "top-down", "bottom-up", &options.view.bottomUp},
        {"warnings", "false", "true", &options.editorWarnings},
    };
    for (const auto& choice : choices) {
        if (name != choice.name) {
            continue;
        }
        if (value != choice.first && value != choice.second) {
            std::string wrong = "the dialog's ";
            wrong.append(name).append(" is \"").append(value).append("\" (");
            wrong.append(choice.first).append(" or ").append(choice.second);
            return wrong.append("); reinstall the extension");
        }
        if (choice.flag == nullptr) {
            options.by = value == choice.first ? "row" : "column";
        } else {
            *choice.flag = value == choice.second;
        }
        return std::nullopt;
    }
    if (name == "names") {
        const auto pattern = DialogNamePattern(value);
        if (!pattern) {
            return "the dialog's names is \"" + value +
                   "\" (keep, page-number, number-name or number); reinstall the extension";
        }
        options.rename = *pattern;
        return std::nullopt;
    }
    if (name == "tolerance") {
        // The dialog's number is checked as --tolerance is, so that both refuse alike.
        if (auto refusal = CheckTolerance(value); !refusal.empty()) {
            return refusal;
        }
        options.view.tolerance = *ParseDecimal(value);
    }
    return std::nullopt;
}

// The effect the editor asks for (the hidden parameter), and what it implies; empty when it
// names none this program has.
std::optional<std::string> ApplyEffect(std::string_view effect, RenumberOptions& options) {
    if (effect != "by-row" && effect != "by-column" && effect != "custom") {
        return "unknown command \"" + std::string(effect) +
               "\" (by-row, by-column or custom); reinstall the extension";
    }
    options.by = effect == "by-column" ? "column" : "row";
    options.absorbEditorRounding = true;
    options.editorWarnings = effect == "custom";
    return std::nullopt;
}

// Fills `options` and `documents` from the editor's command line; gives back what is wrong.
std::optional<std::string> ParseEditorRun(int argc, char** argv, RenumberOptions& options,
                                          std::vector<std::string>& documents) {
    std::string_view effect;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument.starts_with(kEditorOption)) {
            effect = argument.substr(kEditorOption.size());
        } else if (!argument.starts_with("--")) {
            documents.emplace_back(argument);
        }
    }
    if (auto wrong = ApplyEffect(effect, options)) {
        return wrong;
    }
    for (int i = 1; i < argc && effect == "custom"; ++i) {
        if (auto wrong = ApplyDialogParameter(argv[i], options)) {
            return wrong;
        }
    }
    if (documents.size() != 1) {
        return "the editor gave " + std::to_string(documents.size()) + " documents instead of one";
    }
    return std::nullopt;
}

}  // namespace

int RunAsEditorEffect(int argc, char** argv) {
    RenumberOptions options;
    options.output = kStandardOutput;
    options.forEditor = true;
    std::vector<std::string> documents;
    if (const auto wrong = ParseEditorRun(argc, argv, options, documents)) {
        std::cerr << ForEditor(*wrong, "") << "\n";
        return kBadInput;
    }
    options.document = documents.front();
    try {
        const int status = Renumber(options);
        CheckStandardOutputWritten();  // else the editor would take a cut document for whole
        return status;
    } catch (...) {
        const Exit exit = ExitForCurrentException();
        std::cerr << ForEditor(exit.message, options.document) << "\n";
        return exit.status;
    }
}

}  // namespace hostsim::tool::cli
