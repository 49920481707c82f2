// Everything that crossed the host boundary, in order: each message the host sent and each
// suite call the plug-in made, with its arguments as a person reads them and its result.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hostsim/HostAbi.h"

namespace hostsim {

struct CallRecord {
    enum class Kind {
        HostCall,  // the plug-in called a suite entry
        Message,   // the host called the plug-in's entry point
    };
    enum class Fault { None, InjectedFailure, AnsweredWithoutWriting };

    Kind kind = Kind::HostCall;
    int number = 0;         // host calls: 1, 2, ... in this host; messages: 0
    std::string suite;      // host calls: the suite's name; messages: the caller
    int entry = 0;          // host calls: the entry number from 1
    std::string operation;  // host calls: the entry's name; messages: the selector
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
    // Adds a host call, numbers it and returns its position for the results to follow.
    std::size_t BeginHostCall(std::string suite, int entry, std::string operation);
    CallRecord& At(std::size_t position) { return records_.at(position); }
    // Adds a message the host is about to send; its result is set through at() afterwards,
    // so the host calls the message causes follow it.
    std::size_t BeginMessage(std::string caller, std::string selector);

    const std::vector<CallRecord>& Records() const { return records_; }
    // Host calls only, in order.
    std::vector<CallRecord> HostCalls() const;
    int HostCallCount() const { return hostCallCount_; }
    // Forgets everything recorded so far; numbering goes on.
    void Clear() { records_.clear(); }
    // Every record, one line each.
    std::string Text() const;

  private:
    std::vector<CallRecord> records_;
    int hostCallCount_ = 0;
};

}  // namespace hostsim
