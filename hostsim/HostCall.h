// One call of a suite entry as the host serves it: finds the active host, counts and logs
// the call, asks the fault injector for its fate, validates handles and records violations.
//
// Every entry function follows the same steps: describe the arguments; check slots and
// handles (a bad one is a violation and answers an error, and nothing is done); then, if the
// call is to fail, finish with the fault (operations that end a handle's life end it first);
// otherwise do the work and finish with 0.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "hostsim/Host.h"
#include "hostsim/HostCodes.h"
#include "hostsim/SuiteId.h"

namespace hostsim {

class HostCall {
  public:
    // `subject` is what fault rules for the basic suite match on: the suite's name.
    HostCall(SuiteId suite, int entry, const char* operation, std::string_view subject = {});
    HostCall(const HostCall&) = delete;
    HostCall& operator=(const HostCall&) = delete;

    // False when no host is active; the entry then answers kNoActiveHostError.
    explicit operator bool() const { return host_ != nullptr; }
    Host& host() const { return *host_; }
    const Fault& fault() const { return fault_; }

    HostCall& arg(const char* name, std::string value);
    HostCall& out(const char* name, std::string value);

    // Argument texts.
    std::string handle(abi::Handle value) const;        // "string#3", "null"
    std::string inSlot(const abi::Handle* slot) const;  // "&string#3", "null slot"
    static std::string outSlot(const void* slot);       // "&slot", "null slot"
    static std::string text(const char* value);         // quoted, escaped; "null"
    static std::string bytes(const char* value, std::int32_t count);

    // Checks a handle through the ledger; on failure records the violation and returns false.
    bool live(HandleKind kind, abi::Handle value);
    // Ends a handle's life in the ledger; on failure records the violation, returns false.
    bool release(HandleKind kind, abi::Handle value);

    // Records a violation of the contract and answers `code`.
    abi::ErrorCode violation(abi::ErrorCode code, const std::string& what);
    // Records a violation; the call goes on.
    void noteViolation(const std::string& what);
    // Answers the injected fault: its code, or 0 when it answers without writing.
    abi::ErrorCode finishWithFault();
    abi::ErrorCode finish(abi::ErrorCode code);

  private:
    CallRecord& record() { return host_->calls().at(position_); }

    Host* host_ = nullptr;
    std::size_t position_ = 0;
    Fault fault_;
};

// The answer of an entry called while no host is active. It cannot be logged anywhere, so it
// is written to the standard error stream.
abi::ErrorCode NoActiveHost(const char* suite, const char* operation);

}  // namespace hostsim
