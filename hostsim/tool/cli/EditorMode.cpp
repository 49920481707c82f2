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

namespace hostsim::tool::cli {
namespace {

namespace fs = std::filesystem;
using menus::kAboutLabel;
using menus::kByColumnLabel;
using menus::kByRowLabel;

// The editor's extension (extensions/inkscape/*.inx) runs the program as
//   quorvane-host [EDITOR OPTIONS...] --inkscape-effect=by-row|by-column FILE
// where FILE is the editor's temporary copy of the document (its name says no format) and the
// editor's own options (--id=ID for each selected object, and any it may add) are accepted and
// ignored. The renumbered document goes to standard output, which the editor reads back.
// Standard error, which the editor shows in a message box even on success, stays empty
// unless the designer must know something: a near-miss, or why nothing changed. On failure
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
    return "Quorvane could not renumber the pages, the document is unchanged: " + message;
}

}  // namespace

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
