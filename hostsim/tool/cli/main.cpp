// quorvane-host: renumbers the artboards of documents on disk with the real Quorvane module,
// playing the host application's part around it.
//
// Exit status: Commands.h. Errors are one line on standard error naming the file, and where
// known the line, artboard and field.
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

#include "hostsim/loader/ModuleLoader.h"
#include "hostsim/tool/cli/Commands.h"
#include "hostsim/tool/cli/Console.h"
#include "hostsim/tool/cli/OptionChecks.h"
#include "hostsim/tool/documents/FileAccess.h"
#include "hostsim/tool/documents/FloatText.h"
#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/run/PageNames.h"
#include "hostsim/tool/validate/Validate.h"

namespace {

using namespace hostsim::tool;
using namespace hostsim::tool::cli;

CLI::App* AddValidateCommand(CLI::App& app, ValidateOptions& options,
                             const std::string& moduleHelp) {
    auto* command = app.add_subcommand(
        "validate",
        "Prove the module sound: named checks, each in a process of its own, under every host "
        "failure and many message orders");
    command->add_option("--module,MODULE", options.module, moduleHelp)->check(FileValue());
    command->add_flag("--json", options.json, "Write the results as one JSON document");
    command
        ->add_option("--seed", options.seed,
                     "Replay the message sequence of this seed in message-order-fuzz")
        ->check(SeedValue());
    command->add_option("--only", options.only, "Run only these checks (by name)");
    command
        ->add_option("--time-limit", options.timeLimitSeconds,
                     "Seconds each check may take before it counts as timed out (default 300)")
        ->check(TimeLimitValue());
    // The child process's side of a check, on platforms without fork.
    command->add_option("--child", options.child)->group("");
    return command;
}

// --tolerance, --right-to-left and --bottom-up, the same on renumber and show.
void AddViewOptions(CLI::App* command, ViewFlags& view) {
    command
        ->add_option("--tolerance", view.tolerance,
                     "Form rows from tops (columns from lefts) within this many document units "
                     "of the first of the row (default 0: exactly equal)")
        ->check(CLI::Validator(CheckTolerance, "UNITS"));
    command->add_flag("--right-to-left", view.rightToLeft,
                      "Walk each row right to left, and the columns from the rightmost");
    command->add_flag("--bottom-up", view.bottomUp,
                      "Walk the rows from the lowest, and each column bottom to top");
}

// show's options.
struct ShowOptions {
    std::string document;
    std::string by;
    std::string picture;
    std::string format;
    ViewFlags view;
    std::string module;
};

const char* const kFormatHelp =
    "The document's format, json or svg (default: from its name, else from its content)";

CLI::App* AddRenumberCommand(CLI::App& app, RenumberOptions& renumber,
                             const std::string& moduleHelp) {
    auto* command = app.add_subcommand(
        "renumber", "Renumber the artboards by grid position, as the menu command does");
    command->add_option("--by", renumber.by, "The grid order: row (rows top to bottom) or column")
        ->required()
        ->check(CLI::IsMember({"row", "column"}));
    command->add_option("--module", renumber.module, moduleHelp)->check(FileValue());
    command
        ->add_option("-o,--output", renumber.output,
                     "Write the renumbered document here (.json or .svg; may be the "
                     "document itself; - for standard output, in the document's "
                     "format, with nothing else there)")
        ->check(FileValue(StandardOutput::Allowed));
    command->add_option("--format", renumber.format, kFormatHelp)
        ->check(CLI::IsMember({"json", "svg"}));
    command
        ->add_option("--picture", renumber.picture, "Draw the new numbering into this SVG picture")
        ->check(FileValue());
    command->add_flag("-n,--dry-run", renumber.dryRun, "Print what would change and write nothing");
    command
        ->add_option("--trace", renumber.trace,
                     "Write every message and host call to this file, one line each")
        ->check(FileValue());
    AddViewOptions(command, renumber.view);
    command
        ->add_option("--rename", renumber.rename,
                     "Name the artboards after their new numbers: {n} the number, {n:03} it with "
                     "zeros to 3 digits, {name} the old name, {{ and }} braces; e.g. \"Page {n}\" "
                     "or \"{n} {name}\" (default: names kept)")
        ->check(CLI::Validator(
            [](const std::string& pattern) {
                return CheckNamePattern(pattern).value_or(std::string());
            },
            "PATTERN"));
    command->add_option("DOCUMENT", renumber.document, "A .json or .svg document")
        ->required()
        ->check(FileValue());
    return command;
}

CLI::App* AddShowCommand(CLI::App& app, ShowOptions& show, const std::string& moduleHelp) {
    auto* command =
        app.add_subcommand("show", "Print a document's artboards in their current numbering");
    command
        ->add_option("--by", show.by,
                     "Check near-misses of this order only (row or column); with --tolerance, "
                     "--right-to-left or --bottom-up, the order to show")
        ->check(CLI::IsMember({"row", "column"}));
    command->add_option("--picture", show.picture, "Draw the numbering into this SVG picture")
        ->check(FileValue());
    command->add_option("--format", show.format, kFormatHelp)
        ->check(CLI::IsMember({"json", "svg"}));
    AddViewOptions(command, show.view);
    command
        ->add_option("--module", show.module,
                     moduleHelp + "; used only to show an order under a view")
        ->check(FileValue());
    command->add_option("DOCUMENT", show.document, "A .json or .svg document")
        ->required()
        ->check(FileValue());
    return command;
}

// menus and about: the module alone, without a document.
CLI::App* AddModuleCommand(CLI::App& app, const char* name, const char* description,
                           std::string& module, const std::string& moduleHelp) {
    auto* command = app.add_subcommand(name, description);
    command->add_option("--module", module, moduleHelp)->check(FileValue());
    return command;
}

constexpr const char* kUserCommands = "Commands";
constexpr const char* kDeveloperCommands = "Commands for the module's developers";

// The program's own options and how it answers usage errors.
void ConfigureProgram(CLI::App& app) {
    // The same options everywhere: on Windows a path such as /tmp/posters.json is a path, not
    // an option. (Set before the commands are added, which take it over.)
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string(kProgram) + " " + QUORVANE_VERSION);
    app.require_subcommand(1);
    // Usage errors in one line, like every other error.
    // What the user typed may be in it: escaped, as in every other message.
    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return std::string(kProgram) + ": " + Printable(error.what()) + " (see " + kProgram +
               " --help)\n";
    });
    app.footer(
        "Exit status: 0 success, 1 the module's command failed, 2 usage error or bad "
        "input.");
}

int Run(int argc, char** argv) {
    if (IsEditorRun(argc, argv)) {
        return RunAsEditorEffect(argc, argv);
    }
    RefuseEmptyAttachedValues({argv, argv + argc});
    CLI::App app(
        "Renumbers the artboards of a document by grid position with the Quorvane "
        "module,\nplaying the host application's part around it.",
        kProgram);
    ConfigureProgram(app);
    const std::string moduleHelp =
        "The module to load (default: " + Utf8Name(hostsim::DefaultModulePath()) + ")";
    RenumberOptions renumber;
    ShowOptions show;
    std::string menusModule;
    std::string aboutModule;
    ValidateOptions validate;
    // The user's commands first; the developer's under a heading of their own.
    auto* renumberCommand = AddRenumberCommand(app, renumber, moduleHelp);
    auto* showCommand = AddShowCommand(app, show, moduleHelp);
    renumberCommand->group(kUserCommands);
    showCommand->group(kUserCommands);
    auto* menusCommand = AddModuleCommand(
        app, "menus", "Print the menus after the module has started up", menusModule, moduleHelp);
    auto* aboutCommand =
        AddModuleCommand(app, "about", "Choose the module's About item and print its alert",
                         aboutModule, moduleHelp);
    auto* validateCommand = AddValidateCommand(app, validate, moduleHelp);
    for (auto* command : {menusCommand, aboutCommand, validateCommand}) {
        command->group(kDeveloperCommands);
    }
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
            return Show(show.document, show.by, show.picture, show.format, show.view, show.module);
        }
        if (menusCommand->parsed()) {
            return Menus(menusModule);
        }
        if (validateCommand->parsed()) {
            return Validate(validate);
        }
        return About(aboutModule);
    } catch (...) {
        const Exit exit = ExitForCurrentException();
        std::cerr << kProgram << ": " << Printable(exit.message) << "\n";
        return exit.status;
    }
}

}  // namespace

int main(int argc, char** argv) {
    PrepareStandardStreams();
    int status = kSuccess;
    try {
        std::vector<std::string> arguments = Utf8Arguments(argc, argv);
        std::vector<char*> pointers;
        pointers.reserve(arguments.size() + 1);
        for (std::string& argument : arguments) {
            pointers.push_back(argument.data());
        }
        pointers.push_back(nullptr);
        status = Run(static_cast<int>(arguments.size()), pointers.data());
        // What a command printed (validate's results too, whatever they were), the help and
        // the version; after bad input the line that says why is enough.
        if (status != kBadInput) {
            CheckStandardOutputWritten();
        }
    } catch (...) {
        const Exit exit = ExitForCurrentException();
        std::cerr << kProgram << ": " << Printable(exit.message) << "\n";
        status = exit.status;
    }
    return status;
}
