// Checks of option values that CLI11 cannot make by itself, and of combinations of options
// that contradict each other. Each refusal ends the program with exit status 2 and one line
// naming the option and the value.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "hostsim/tool/cli/Commands.h"

namespace hostsim::tool::cli {

// Where a file option may send its data besides a file.
enum class StandardOutput { Refused, Allowed };

// A file named by an option: never empty (which would mean "none" to the program while the
// user named something), and "-" only where standard output is `Allowed`.
CLI::Validator FileValue(StandardOutput standardOutput = StandardOutput::Refused);

// --time-limit: a number of seconds from kMinTimeLimit to kMaxTimeLimit; refuses NaN and
// infinities, which would otherwise overflow the millisecond count and time out every check.
inline constexpr double kMinTimeLimit = 0.001;
inline constexpr double kMaxTimeLimit = 86400;  // one day
CLI::Validator TimeLimitValue();

// --tolerance (and the dialog's tolerance): empty for a finite number of document units, 0 or
// more; otherwise the reason it is refused, with the text escaped for the terminal. A number
// too close to 0 for a double (1e-324) is not 0 and cannot be held as itself: it is refused
// for that reason.
std::string CheckTolerance(const std::string& text);

// --seed: a whole number of 64 bits, written in decimal digits alone (no sign, no
// fraction, nothing that would wrap around).
CLI::Validator SeedValue();

// Throws Exit (status 2) for an argument "--NAME=" with nothing after the "=": CLI11 would
// take the next argument as its value, so that `--trace= a.json b.json` overwrote a.json.
// Arguments after a lone "--" are documents, and left alone.
void RefuseEmptyAttachedValues(const std::vector<std::string>& arguments);

// Throws Exit (status 2) when the outputs of a renumber contradict each other or cannot be
// written without harm: --output - with --dry-run (standard output would carry the table
// where the document belongs), a trace that is standard output's own file, or a trace that
// is not a regular file (a pipe would block the program until something reads it).
void CheckRenumberOutputs(const RenumberOptions& options);

// Throws Exit (status 2, "standard output could not be written: REASON") when anything
// written to standard output so far failed to reach it: a full disk, a closed standard output,
// a reader that went away. Flushes standard output first.
void CheckStandardOutputWritten();

}  // namespace hostsim::tool::cli
