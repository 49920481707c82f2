// One call of a suite entry as the host serves it: finds the active host, counts the call,
// asks the fault injector for its fate, validates handles and records violations, and, when
// the host's log keeps or streams calls, describes it.
//
// Every entry function follows the same steps: describe the arguments (only when the call is
// described); check slots and handles (a bad one is a violation and answers an error, and
// nothing is done); then, if the call is to fail, finish with the fault (operations that end a
// handle's life end it first); otherwise do the work and finish with 0. Serve and ServeRelease
// below are those steps; an entry gives them only what is its own. Nothing is turned into
// text on the way of a call that is not described, unless it breaks the contract.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "hostsim/abi/HostCodes.h"
#include "hostsim/abi/SuiteId.h"
#include "hostsim/model/Host.h"

namespace hostsim {

class HostCall {
  public:
    // `subject` is what fault rules for the basic suite match on: the suite's name.
    // `operation` names the entry in logs and reports; it must be a literal.
    // (Inline, with the destructor: they run on every call the plug-in makes.)
    HostCall(SuiteId suite, int entry, const char* operation, std::string_view subject = {})
        : host_(Host::Active()), suite_(suite), entry_(entry), operation_(operation) {
        if (host_ == nullptr) {
            return;
        }
        const std::int64_t number = host_->Calls().CountHostCall(suite, entry);
        record_ = host_->Calls().BeginHostCall(number, suite, entry, operation);
        host_->Ledger().SetIssuingCall(number, operation);
        fault_ = host_->Faults().Decide(suite, entry, subject);
    }
    ~HostCall() {
        if (host_ == nullptr) {
            return;
        }
        host_->Ledger().SetIssuingCall(0, nullptr);
        if (record_ != nullptr) {
            host_->Calls().EndHostCall(*record_);
        }
    }
    HostCall(const HostCall&) = delete;
    HostCall& operator=(const HostCall&) = delete;

    // False when no host is active; the entry then answers kNoActiveHostError.
    explicit operator bool() const { return host_ != nullptr; }
    Host& ActiveHost() const { return *host_; }
    const Fault& InjectedFault() const { return fault_; }
    // Whether the call is described: its host keeps or streams calls.
    bool Described() const { return record_ != nullptr; }

    // Logs an argument; a describe step calls it, which runs only when the call is described.
    HostCall& Arg(const char* name, std::string value);
    // Logs what the host wrote; `text()` makes its text and is called only when described.
    template <typename Text>
    HostCall& Out(const char* name, Text&& text) {
        if (record_ != nullptr) {
            record_->outputs.emplace_back(name, text());
        }
        return *this;
    }

    // Argument texts.
    std::string Handle(abi::Handle value) const;        // "string#3", "null"
    std::string InSlot(const abi::Handle* slot) const;  // "&string#3", "null slot"
    static std::string OutSlot(const void* slot);       // "&slot", "null slot"
    static std::string Text(const char* value);         // quoted, escaped; "null"
    static std::string Bytes(const char* value, std::int32_t count);

    // Checks a handle through the ledger; on failure records the violation and returns false.
    // (A live handle is answered here, from its slot, without leaving the caller.)
    bool Live(HandleKind kind, abi::Handle value) {
        return host_->Ledger().IsLive(kind, value) || LiveOrViolation(kind, value);
    }
    // The same as a check: 0 when the handle is live, else kBadHandleError.
    abi::ErrorCode CheckLive(HandleKind kind, abi::Handle value);
    // Ends a handle's life in the ledger; on failure records the violation, returns false.
    bool Release(HandleKind kind, abi::Handle value) {
        return host_->Ledger().ReleaseIfLive(kind, value) || ReleaseOrViolation(kind, value);
    }
    // Gives back one acquisition of a suite; on failure records the violation, returns false.
    bool ReleaseSuite(std::string_view name, std::int32_t version);

    // Records a violation of the contract and returns `code`: the answer the entry gives for
    // it, which a check hands back to Serve to finish with (0 when the call goes on).
    // (Inline, so that a reader of a check sees that its answer is `code`.)
    abi::ErrorCode Violation(abi::ErrorCode code, std::string_view what) {
        RecordViolation(what);
        return code;
    }
    // Answers the injected fault: its code, or 0 when it answers without writing.
    abi::ErrorCode FinishWithFault();
    abi::ErrorCode Finish(abi::ErrorCode code) {
        if (record_ != nullptr) {
            record_->result = code;
        }
        return code;
    }

  private:
    // Live and Release for a handle that is not live: the ledger records what is wrong.
    bool LiveOrViolation(HandleKind kind, abi::Handle value);
    bool ReleaseOrViolation(HandleKind kind, abi::Handle value);
    // Records `what` with the host and in this call's record.
    void RecordViolation(std::string_view what);
    // Passes on the ledger's answer; when it refused, records the problem it recorded after
    // `problemsBefore` (or `otherwise`) as a violation.
    bool LedgerAgreed(bool agreed, std::size_t problemsBefore, std::string_view otherwise);

    Host* host_ = nullptr;
    CallRecord* record_ = nullptr;  // null when the call is not described
    SuiteId suite_;
    int entry_ = 0;
    const char* operation_;
    Fault fault_;
};

// The answer of an entry called while no host is active. It cannot be logged anywhere, so it
// is written to the standard error stream.
abi::ErrorCode NoActiveHost(const char* suite, const char* operation);

// The check of an entry that has nothing to check.
inline abi::ErrorCode NothingToCheck(HostCall& /*call*/) {
    return 0;
}

namespace detail {
// The steps of Serve and ServeRelease, which differ only in when an injected fault answers.
template <bool EndsLife, typename Describe, typename Check, typename Work>
abi::ErrorCode ServeSteps(SuiteId suite, int entry, const char* operation, Describe& describe,
                          Check& check, Work& work, std::string_view subject) {
    HostCall call(suite, entry, operation, subject);
    if (!call) {
        return NoActiveHost(InfoOf(suite).name, operation);
    }
    if (call.Described()) {
        describe(call);
    }
    if (const abi::ErrorCode e = check(call)) {
        return call.Finish(e);
    }
    if constexpr (EndsLife) {
        if (call.InjectedFault().AnswersWithoutWriting()) {
            return call.FinishWithFault();
        }
        if (const abi::ErrorCode e = work(call)) {
            return call.Finish(e);
        }
        return call.InjectedFault().Fails() ? call.FinishWithFault() : call.Finish(0);
    } else {
        if (call.InjectedFault().kind != Fault::Kind::None) {
            return call.FinishWithFault();
        }
        work(call);
        return call.Finish(0);
    }
}
}  // namespace detail

// Serves entry E of `suite` that works on what it is given. `describe(call)` logs the
// arguments, when the call is described; `check(call)` returns 0 when they are good, else the error
// to answer (having recorded any violation). Then an injected fault is answered, or else
// `act(call)` does the work and logs the outputs, and the call answers 0. `subject` is as for
// HostCall.
template <typename E, typename Describe, typename Check, typename Act>
abi::ErrorCode Serve(SuiteId suite, const char* operation, Describe&& describe, Check&& check,
                     Act&& act, std::string_view subject = {}) {
    return detail::ServeSteps<false>(suite, E::number, operation, describe, check, act, subject);
}

// Serves entry E of `suite` that ends a handle's life. `describe` and `check` are as for
// Serve. A fault that answers without writing is answered before anything ends; otherwise
// `end(call)` ends the life and returns 0, or the error to answer, and an injected failure is
// answered only after the handle has ended.
template <typename E, typename Describe, typename Check, typename End>
abi::ErrorCode ServeRelease(SuiteId suite, const char* operation, Describe&& describe,
                            Check&& check, End&& end, std::string_view subject = {}) {
    return detail::ServeSteps<true>(suite, E::number, operation, describe, check, end, subject);
}

}  // namespace hostsim
