// Makes chosen host calls fail, as a real host's calls fail when memory is short, a
// document is locked or a suite is missing.
//
// A call that is made to fail performs nothing and returns the chosen code. The one exception
// are the operations that end a handle's life (release a suite, dispose a string or attribute
// set, release a list, leave a context, release an access reference): these still end it and
// then return the code, because a plug-in cannot do anything else with a handle whose release
// failed, and a host that kept it would only turn an injected failure into a leak report.
// A call answered "without writing" performs nothing either and returns 0: its out-parameter
// keeps whatever the caller had put there, and no object comes into being.
//
// A rule names its calls by their number from now (the k-th call, or every call from the k-th
// on: a host going down) or by their entry, given as the typed entry of HostAbi.h
// (abi::artboard::GetBounds::id). Rules are tried in the order they were set; the first that
// matches decides. Every host call is counted, whether or not a rule matches it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/abi/HostAbi.h"
#include "hostsim/abi/SuiteId.h"

namespace hostsim {

struct Fault {
    enum class Kind { None, Fail, AnswerWithoutWriting };
    Kind kind = Kind::None;
    abi::ErrorCode code = 0;
    bool Fails() const { return kind == Kind::Fail; }
    bool AnswersWithoutWriting() const { return kind == Kind::AnswerWithoutWriting; }
};

class FaultInjector {
  public:
    static constexpr int kEveryTime = -1;

    // The k-th host call from now fails with `code` (k = 1: the next call).
    void FailCall(int k, abi::ErrorCode code);
    // The k-th host call from now answers 0 without doing anything.
    void AnswerCallWithoutWriting(int k);
    // Every host call from the k-th from now on fails with `code`, as when the host goes down.
    void FailEveryCallFrom(int k, abi::ErrorCode code);
    // Calls of `entry` fail with `code`: every one, or the next `times`.
    void FailOperation(abi::EntryId entry, abi::ErrorCode code, int times = kEveryTime);
    // Acquisitions of the suite `name` through the basic suite fail with `code`.
    void FailAcquisition(std::string name, abi::ErrorCode code, int times = kEveryTime);
    // Calls of `entry` answer 0 and do nothing: every one, or the next `times`.
    void AnswerWithoutWriting(abi::EntryId entry, int times = kEveryTime);
    // Drops every rule; the count of calls goes on.
    void Clear() { rules_.clear(); }

    // Decides the fate of one host call and counts it. `subject` is the suite name for the
    // basic suite's entries, empty otherwise.
    Fault Decide(SuiteId suite, int entry, std::string_view subject) {
        if (rules_.empty()) {  // the usual case, answered without a call
            ++callsSeen_;
            return {};
        }
        return DecideByRules(suite, entry, subject);
    }
    std::uint64_t CallsSeen() const { return callsSeen_; }

  private:
    struct Rule {
        std::optional<std::uint64_t> callNumber;  // matches that call only
        bool andEveryLater = false;               // ... or that call and every later one
        std::optional<abi::EntryId> entry;
        std::optional<std::string> subject;
        Fault fault;
        int remaining = kEveryTime;
    };
    Fault DecideByRules(SuiteId suite, int entry, std::string_view subject);
    // The call `k` calls from now (k >= 1).
    std::uint64_t CallFromNow(int k, const char* rule) const;
    std::vector<Rule> rules_;
    std::uint64_t callsSeen_ = 0;
};

}  // namespace hostsim
