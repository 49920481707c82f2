// `quorvane-host validate`: runs the named checks of ValidateChecks.h against a module, each in
// a child process with a time limit, and reports one line per check and a summary line (or one
// JSON document). Exit status 0 when every check passed or was skipped, 1 when any failed,
// crashed or ran out of time, 2 for usage errors.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hostsim::tool {

struct ValidateOptions {
    std::string module;                 // empty: the module beside the program
    bool json = false;                  // one JSON document on standard output
    std::optional<std::uint64_t> seed;  // message-order-fuzz replays this one sequence
    std::vector<std::string> only;      // check names; empty: all
    double timeLimitSeconds = 300;      // per check
    std::string child;                  // (hidden) run this one check here: the child's side
};

int Validate(const ValidateOptions& options);

}  // namespace hostsim::tool
