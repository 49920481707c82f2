// What the commands of quorvane-host share: exit statuses, how a command ends the program,
// warnings, and the checks of paths every command makes before anything is read or run.
#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "hostsim/model/Document.h"
#include "hostsim/model/GridView.h"
#include "hostsim/tool/documents/DocumentFile.h"
#include "hostsim/tool/report/GridCheck.h"
#include "hostsim/tool/run/RenumberJob.h"

namespace hostsim::tool::cli {

// Exit statuses: 0 success; 1 the module's command (or its start-up or shut-down) failed, or
// its result was not a renumbering; 2 usage errors and bad input.
inline constexpr int kSuccess = 0;
inline constexpr int kModuleFailed = 1;
inline constexpr int kBadInput = 2;

inline constexpr const char* kProgram = "quorvane-host";

// "-" as an output: standard output, which then carries the document and nothing else.
inline constexpr const char* kStandardOutput = "-";

// Thrown by a command to end the program with a status and one line on standard error.
struct Exit {
    int status;
    std::string message;
};

// How the program ends for whatever a command threw: its status, and the line for standard
// error (without the program's name). Call only inside a catch block.
Exit ExitForCurrentException();

// "quorvane-host: warning: TEXT" on standard error.
void Warn(const std::string& text);

GridOrder ParseOrder(const std::string& by);
// Empty: from the name, else from the content.
std::optional<DocumentFormat> ParseFormat(const std::string& format);

// Checks a picture path before anything runs: it must be an .svg that is not the document.
void CheckPicturePath(const std::string& picture, const std::vector<std::string>& documents);

// The job's input for `document` as the command line names it: its bytes, and its format as
// --format gives it (empty: the one its name's extension names, else its content's).
RenumberJobInput ReadJobInput(const std::string& document, const std::string& format);

// Prints the job's warnings (as the editor's lines when `forEditor`) and throws Exit for its
// failure.
void ReportJob(const RenumberJobResult& result, bool forEditor = false);

struct RenumberOptions {
    std::string by;
    std::string module;
    std::string output;  // a file, kStandardOutput, or empty for none
    std::string picture;
    bool dryRun = false;
    std::string format;  // "json" or "svg"; empty: from the name, else from the content
    std::string document;
    bool forEditor = false;  // run as the editor's extension: see RunAsEditorEffect
    // In the editor: near-misses on standard error (the dialog effect's checkbox); the one-click
    // effects keep standard error empty on success, so a batch run never waits for a click.
    bool editorWarnings = false;
    // In the editor: join tops and lefts within the editor's own rounding (EditorRounding).
    bool absorbEditorRounding = false;
    std::string trace;
    ViewFlags view;
    std::string rename;  // a name pattern (hostsim/tool/run/PageNames.h); empty: names kept
};

// The commands; each returns the exit status or throws (Exit, InputError, ...).
int Renumber(const RenumberOptions& options);
int Show(const std::string& document, const std::string& by, const std::string& picture,
         const std::string& format, const ViewFlags& view = {}, const std::string& module = {});
// show under a view: the order the module gives it, as renumber --dry-run prints it, and the
// picture of that order; writes nothing else.
int ShowInView(const RenumberOptions& options);
int Menus(const std::string& module);
int About(const std::string& module);

// The editor's mode: see EditorMode.cpp.
bool IsEditorRun(int argc, char** argv);
int RunAsEditorEffect(int argc, char** argv);

}  // namespace hostsim::tool::cli
