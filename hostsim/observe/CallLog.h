// What crossed the host boundary: every host call counted per entry, always; and, when asked
// for, each message the host sent and each suite call the plug-in made, with its arguments as
// a person reads them and its result, kept in order (Enable) or written out one line per call
// as it ends (StreamTo), or both. A call that is neither kept nor streamed is not described
// at all: its arguments are never turned into text.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hostsim/abi/HostAbi.h"
#include "hostsim/abi/SuiteId.h"

namespace hostsim {

struct CallRecord {
    enum class Kind {
        HostCall,  // the plug-in called a suite entry
        Message,   // the host called the plug-in's entry point
    };
    enum class Fault { None, InjectedFailure, AnsweredWithoutWriting };

    Kind kind = Kind::HostCall;
    std::int64_t number = 0;  // host calls: 1, 2, ... in this host; messages: 0
    std::string suite;        // host calls: the suite's name; messages: the caller
    int entry = 0;            // host calls: the entry number from 1
    std::string operation;    // host calls: the entry's name; messages: the selector
    std::vector<std::pair<std::string, std::string>> arguments;  // name, value
    std::vector<std::pair<std::string, std::string>> outputs;    // what the host wrote
    abi::ErrorCode result = 0;
    Fault fault = Fault::None;
    std::string violation;  // the contract violation the call made, if any

    // The value of the argument `name`, or "" when there is none.
    std::string Argument(std::string_view name) const;
    // One line: "12 AI Menu Suite #1 AddMenuItem(plugin=plugin#1, ...) -> 0 [*item=menu-item#3]".
    std::string Text() const;
};

class CallLog {
  public:
    // Keeps every call and message from now on (off when a host starts).
    void Enable() {
        keep_ = true;
        everKept_ = true;
    }
    // Stops keeping; what was kept stays readable.
    void Disable() { keep_ = false; }
    bool Enabled() const { return keep_; }
    // Writes each call and message to `out` as one line when it ends (a message also when it
    // begins), keeping nothing for it; null stops. `out` must outlive the streaming.
    void StreamTo(std::ostream* out) { stream_ = out; }
    // Whether calls are described: kept, streamed or both.
    bool Describing() const { return keep_ || stream_ != nullptr; }

    // Host calls so far, and those of one entry; counted whether or not anything is kept.
    std::int64_t HostCallCount() const { return hostCallCount_; }
    std::int64_t CountOf(SuiteId suite, int entry) const;

    // Counts a host call and returns its number (1, 2, ...).
    std::int64_t CountHostCall(SuiteId suite, int entry) {
        if (entry >= 1 && entry <= abi::kSuiteSlots) {
            ++perEntry_[static_cast<std::size_t>(suite)][static_cast<std::size_t>(entry - 1)];
        }
        return ++hostCallCount_;
    }
    // The record of host call `number` to fill while it is served, or null when calls are not
    // described. EndHostCall hands it back when the call has answered.
    CallRecord* BeginHostCall(std::int64_t number, SuiteId suite, int entry,
                              const char* operation) {
        return Describing() ? BeginRecord(number, suite, entry, operation) : nullptr;
    }
    void EndHostCall(const CallRecord& record);
    // A message the host is about to send, and its answer; the host calls the message causes
    // come between the two.
    void BeginMessage(const std::string& caller, const std::string& selector);
    void EndMessage(abi::ErrorCode result);

    // What was kept, in order. Reading a log that was never enabled is a mistake of the
    // reader's (it would look like a run without calls): it throws std::logic_error.
    const std::vector<CallRecord>& Records() const;
    // Host calls only, in order.
    std::vector<CallRecord> HostCalls() const;
    // Forgets everything kept so far; numbering and counting go on.
    void Clear() { records_.clear(); }
    // Every record kept, one line each; a note saying so when the log was never enabled.
    std::string Text() const;

  private:
    // BeginHostCall when calls are described.
    CallRecord* BeginRecord(std::int64_t number, SuiteId suite, int entry, const char* operation);
    // SuiteId's last member is UnicodeString.
    static constexpr std::size_t kSuiteCount = static_cast<std::size_t>(SuiteId::UnicodeString) + 1;

    bool keep_ = false;
    bool everKept_ = false;
    std::ostream* stream_ = nullptr;
    std::vector<CallRecord> records_;
    CallRecord streamed_;         // the call being streamed but not kept
    CallRecord streamedMessage_;  // the message being streamed
    std::size_t message_ = 0;     // position of the message being sent, when kept
    bool messageKept_ = false;
    bool messageStreamed_ = false;
    std::int64_t hostCallCount_ = 0;
    std::array<std::array<std::int64_t, abi::kSuiteSlots>, kSuiteCount> perEntry_{};
};

}  // namespace hostsim
