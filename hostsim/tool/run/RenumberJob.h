// One renumbering, as `quorvane-host renumber` and the web page both do it: the bytes of a
// document and the options in; the bytes of the result, the table, the warnings, the picture
// and the verify step's verdict out. Nothing here opens a file (but the module's, when the
// module is a file) or writes to the console: the command line reads, prints and writes
// safely around it, the web page hands it bytes, so the two cannot drift apart.
//
//   RenumberJobInput input;
//   input.name = "posters.json";            // names the document in every message
//   input.bytes = ...;                      // the document's content
//   input.options.order = GridOrder::ByRow;
//   input.module.entry = PluginMain;        // or input.module.file = path of the module
//   const RenumberJobResult result = RunRenumberJob(input);
//   // result.status 0: result.document, result.table, result.summary, result.picture
//   // otherwise:       result.error (one line); result.warnings hold what was found before
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "hostsim/abi/HostAbi.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/GridView.h"
#include "hostsim/tool/documents/DocumentFile.h"
#include "hostsim/tool/report/GridCheck.h"

namespace hostsim::tool {

// The job's statuses, the command line's exit statuses: 0 success; 1 the module's command
// (or its start-up or shut-down) failed, or its result was not a renumbering; 2 bad input.
inline constexpr int kJobSucceeded = 0;
inline constexpr int kJobModuleFailed = 1;
inline constexpr int kJobBadInput = 2;

// The options that present the module a view of the document (hostsim/model/GridView.h).
struct ViewFlags {
    double tolerance = 0;  // finite, 0 or more
    bool rightToLeft = false;
    bool bottomUp = false;

    ViewOptions For(GridOrder order) const {
        return {order == GridOrder::ByColumn, tolerance, rightToLeft, bottomUp};
    }
    bool IsExact() const { return For(GridOrder::ByRow).IsExact(); }
};

// "row", or with a view "row, right to left, bottom up, tolerance 2".
std::string OrderDescription(GridOrder order, const ViewFlags& view);

// The tolerance that absorbs what the editor's own arithmetic leaves in the coordinates it
// writes: a hundred-thousandth of the document's largest coordinate (see RenumberJob.cpp).
double EditorRounding(const Document& document);

// Where the module's code comes from: an entry function linked into the program (the web
// page's PluginMain) when set, else a module file loaded for the run (the command line's).
struct ModuleEntry {
    abi::PluginEntry entry = nullptr;
    std::filesystem::path file;
};

// Whom the warnings speak to.
enum class JobAudience {
    // "NAME: artboards 6 \"B3\" (top 680) and ...", with the host's coordinates (an SVG
    // document's pages: "pages 6 \"B3\" (y -680)", as the editor shows them)
    CommandLine,
    // "Quorvane: \"B3\" (page 4) and page 5 (at x 0, y 680) ...": pages by name and the
    // number they will have, an unnamed one by that number and its place; no developer's
    // warnings
    Editor,
};

struct RenumberJobOptions {
    GridOrder order = GridOrder::ByRow;
    ViewFlags view;
    // Join tops and lefts within the editor's own rounding (EditorRounding) as well.
    bool absorbEditorRounding = false;
    JobAudience audience = JobAudience::CommandLine;
    bool nearMissWarnings = true;  // warn of near-misses of the order
    // The format of the renumbered document; none: the document's own. A JSON document
    // written as SVG warns of the keys it leaves behind, naming `outputName`.
    std::optional<DocumentFormat> outputFormat;
    std::string outputName;
    bool renderDocument = true;  // false: no result.document (a dry run, show --by)
    bool drawPicture = false;    // result.picture
    // A name pattern (PageNames.h) that names each artboard after its new number once the
    // module has renumbered them; empty: every artboard keeps its name.
    std::string rename;
};

struct RenumberJobInput {
    std::string name;   // the document's name as the user gave it (a path, a file name)
    std::string bytes;  // its content
    // Its format; none: the one its name's extension names, else the one its content shows.
    std::optional<DocumentFormat> format;
    RenumberJobOptions options;
    ModuleEntry module;
    // The developer's trace of every message and host call: called once, just before the
    // module runs, for the stream to write it to (kept open by the caller); nothing when
    // empty. `traceName` names it in messages.
    std::function<std::ostream*()> openTrace;
    std::string traceName;
};

struct RenumberJobResult {
    int status = kJobSucceeded;  // kJob...
    std::string error;           // when status is not 0: one line, the reason (not escaped)
    // In the order found; each one line (the contract's report excepted), as the command line
    // prints it after "quorvane-host: warning: " (JobAudience::Editor: whole lines).
    std::vector<std::string> warnings;

    DocumentFormat inputFormat = DocumentFormat::Json;
    std::string document;  // the renumbered document's bytes (options.renderDocument)
    std::string table;     // the renumbering table (Report.h)
    // For each new position, the old position whose artboard stands there: the verify step's
    // verdict, every artboard accounted for once.
    std::vector<std::size_t> formerPositions;
    std::vector<std::string> names;  // the artboards' names afterwards, renamed or not
    std::size_t renumbered = 0;      // how many took a new number
    std::size_t total = 0;
    std::string orderText;  // OrderDescription
    std::string picture;    // the picture's SVG text (options.drawPicture)

    // "3 of 9 renumbered by row", or with `noun` "3 of 9 artboards renumbered by row".
    std::string Summary(const std::string& noun = "") const;
    // What the document's format calls its artboards: "pages" in SVG, else "artboards".
    std::string Noun() const;
};

// Runs the job; never throws (out of memory included): a failure is in the result.
RenumberJobResult RunRenumberJob(const RenumberJobInput& input);

// The current numbering, without the module: the table (RenumberJobResult's own fields are
// filled as for a renumbering that moved nothing; `document` stays empty), the near-misses of
// `orders` as warnings, and the picture when options.drawPicture asks (with near-misses
// outlined). options.order and options.rename are not used.
RenumberJobResult RunShowJob(const RenumberJobInput& input, const std::vector<GridOrder>& orders);

// The status and message for whatever the job's steps threw (an InputError is bad input,
// running out of memory is a document too large, anything else a failed module run). Call
// only inside a catch block.
struct JobFailure {
    int status;
    std::string message;
};
JobFailure JobFailureForCurrentException();

}  // namespace hostsim::tool
