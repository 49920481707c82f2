// quorvane-host renumber: reads the document, runs the renumbering job (hostsim/tool/run/
// RenumberJob.h) on its bytes, prints what it found and writes what it gave, safely.
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "hostsim/loader/ModuleLoader.h"
#include "hostsim/tool/cli/Commands.h"
#include "hostsim/tool/cli/OptionChecks.h"
#include "hostsim/tool/documents/FileAccess.h"
#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/run/RenumberJob.h"

namespace hostsim::tool::cli {
namespace {

// Checks a trace path before anything runs: the trace must not overwrite a file of the run.
void CheckTracePath(const std::string& trace, const std::vector<std::string>& files) {
    for (const auto& file : files) {
        if (!trace.empty() && !file.empty() && file != kStandardOutput && SameFile(trace, file)) {
            throw Exit{kBadInput,
                       Printable(trace) + ": the trace would overwrite " + Printable(file)};
        }
    }
}

// What a renumber is about to do, checked before the module runs.
struct RenumberPlan {
    GridOrder order = GridOrder::ByRow;
    std::optional<DocumentFormat> outputFormat;  // set when there is an output
};

// Checks the command line's paths before anything is read or run.
RenumberPlan ValidateRenumber(const RenumberOptions& options) {
    RenumberPlan plan;
    plan.order = ParseOrder(options.by);
    if (!options.output.empty() && options.output != kStandardOutput) {
        plan.outputFormat = FormatOfPath(options.output);
        if (!plan.outputFormat) {
            throw Exit{kBadInput, Printable(options.output) +
                                      ": the output must be a .json or an .svg document"};
        }
    }
    if (!options.picture.empty()) {
        CheckPicturePath(options.picture, {options.document, options.output});
    }
    CheckTracePath(options.trace, {options.document, options.output, options.picture});
    CheckRenumberOutputs(options);
    return plan;
}

// The job's input for a renumber or a show under a view: the document's bytes and the options.
RenumberJobInput JobInput(const RenumberOptions& options, const RenumberPlan& plan) {
    RenumberJobInput input = ReadJobInput(options.document, options.format);
    input.module.file =
        options.module.empty() ? hostsim::DefaultModulePath() : Utf8Path(options.module);
    RenumberJobOptions& job = input.options;
    job.order = plan.order;
    job.view = options.view;
    job.absorbEditorRounding = options.absorbEditorRounding;
    job.audience = options.forEditor ? JobAudience::Editor : JobAudience::CommandLine;
    job.nearMissWarnings = !options.forEditor || options.editorWarnings;
    job.outputFormat = plan.outputFormat;
    job.outputName = options.output;
    job.renderDocument = !options.output.empty() && !options.dryRun;
    job.drawPicture = !options.picture.empty() && !options.dryRun;
    job.rename = options.rename;
    return input;
}

// Runs the job with the trace, if asked for, in its file; prints its warnings; throws for
// its failure.
RenumberJobResult RunJob(const RenumberOptions& options, RenumberJobInput input) {
    std::ofstream trace;
    if (!options.trace.empty()) {
        input.traceName = Utf8Name(Utf8Path(options.trace));
        input.openTrace = [&trace, &options, &input]() -> std::ostream* {
            trace.open(Utf8Path(options.trace), std::ios::binary | std::ios::trunc);
            if (!trace) {
                throw InputError(Located(input.traceName, 0, "cannot write the trace here"));
            }
            return &trace;
        };
    }
    RenumberJobResult result = RunRenumberJob(input);
    ReportJob(result, options.forEditor);
    return result;
}

// Prints the table and summary and writes the document and the picture, as the options ask.
// Everything was drawn before anything is written, and is written all or nothing; the
// document is renamed into place last, so that it is unchanged whenever the run fails.
void WriteRenumber(const RenumberOptions& options, const RenumberJobResult& result) {
    if (options.output.empty() || options.dryRun) {
        std::cout << result.table;
    }
    if (options.dryRun) {
        std::cout << result.Summary(result.Noun()) << "; dry run, nothing written\n";
        return;
    }
    OutputSet outputs;
    if (!options.picture.empty()) {
        outputs.Add(options.picture, result.picture);
    }
    // Standard output carries the document alone, in the input's format; it is printed once
    // the picture is in place.
    const bool toStandardOutput = options.output == kStandardOutput;
    if (!options.output.empty() && !toStandardOutput) {
        outputs.Add(options.output, result.document);
    }
    outputs.Commit();
    if (toStandardOutput) {
        std::cout << result.document << std::flush;
    } else if (!options.output.empty()) {
        std::cout << Printable(options.output) << ": " << result.Summary(result.Noun()) << "\n";
    }
    if (!options.picture.empty() && !toStandardOutput) {
        std::cout << "picture: " << Printable(options.picture) << "\n";
    }
}

}  // namespace

int Renumber(const RenumberOptions& options) {
    const RenumberPlan plan = ValidateRenumber(options);
    const RenumberJobResult result = RunJob(options, JobInput(options, plan));
    WriteRenumber(options, result);
    return kSuccess;
}

int ShowInView(const RenumberOptions& options) {
    const RenumberPlan plan = ValidateRenumber(options);
    RenumberJobInput input = JobInput(options, plan);
    input.options.renderDocument = false;
    input.options.drawPicture = !options.picture.empty();
    const RenumberJobResult result = RunJob(options, std::move(input));
    std::cout << result.table;
    if (!options.picture.empty()) {
        ReplaceFile(options.picture, result.picture);
        std::cout << "picture: " << Printable(options.picture) << "\n";
    }
    return kSuccess;
}

}  // namespace hostsim::tool::cli
