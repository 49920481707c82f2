// Runs one piece of work in a child process with a time limit, so that a crash or a hang is an
// outcome the caller reads, not the end of the caller.
//
// The platform difference lives in ChildProcessPosix.cpp (fork: the child runs `work` itself)
// and ChildProcessWindows.cpp (the child is this same program started again with
// `childArguments`, which must lead it to run the same work).
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace hostsim::tool {

struct ChildOutcome {
    enum class Kind {
        Exited,    // ended by itself; exitCode is its status
        Crashed,   // ended by a signal or an exception; crash says which
        TimedOut,  // still running at the time limit, and ended
        NotStarted,
    };
    Kind kind = Kind::NotStarted;
    int exitCode = 0;
    std::string crash;   // "signal 11 (Segmentation fault)", "exception 0xC0000005"
    std::string output;  // everything the child wrote to its standard output
};

// Runs `work` (its result is the child's exit status) in a child process, ending it after
// `limit`. The child's standard error stays the caller's.
ChildOutcome RunInChildProcess(const std::vector<std::string>& childArguments,
                               const std::function<int()>& work, std::chrono::milliseconds limit);

// Called first by a child started with childArguments: on Windows it turns an exception that
// nothing catches into a line on standard output and an exit status, instead of a dialog box.
void PrepareChildProcess();

}  // namespace hostsim::tool
