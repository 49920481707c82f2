// Message-order fuzzing: a byte string read as a sequence of host messages and host failures,
// played against the real module with the invariants of the fault sweeps checked after every
// message. The libFuzzer target (fuzz/message_order_fuzz.cpp) and `quorvane-host validate`
// (check message-order-fuzz, --seed N) share this reading, so a sequence is the same in both.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace hostsim::tool {

struct MessageStep {
    enum class Kind {
        Startup,       // start-up and the application-started notice
        StartupAlone,  // start-up only
        Shutdown,
        Unload,             // the message, then the code leaves memory
        Reload,             // the code is loaded again if it left, then the message
        UnloadMessageOnly,  // the message; the code stays, as when the host honours a lock
        ChooseByRow,
        ChooseByColumn,
        ChooseAbout,
        MenuGoWithItem,     // "AI Go" with a null, foreign, never-issued or the module's item
        Notify,             // a notification of one of several types
        RawMessage,         // a caller and selector of the routing table, or garbage
        FailCall,           // (a): the argument-th host call from now answers an error code
        AnswerUnwritten,    // (b): the next call of an entry that writes back writes nothing
        FailEveryCallFrom,  // (c): the host goes down from the argument-th call from now
        ReopenDocument,     // the faults are cleared and a sample document is opened afresh
    };
    Kind kind;
    std::uint8_t argument;
};

std::vector<MessageStep> DecodeMessageSequence(std::span<const std::uint8_t> bytes);
// One line per step, as a person reads it.
std::string DescribeMessageSequence(const std::vector<MessageStep>& steps);
// The bytes of the sequence with number `seed`: what validate --seed N replays.
std::vector<std::uint8_t> MessageSequenceOfSeed(std::uint64_t seed);

// Plays the sequence against the module in a fresh stand-in host; returns the first invariant
// broken, naming the step ("step 7 (choose \"Quorvane, Grid by Row\"): ..."), or "" when
// every one held. A module that cannot be loaded throws SessionError.
std::string PlayMessageSequence(const std::filesystem::path& module,
                                const std::vector<MessageStep>& steps);

}  // namespace hostsim::tool
