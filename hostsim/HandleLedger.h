// The host's record of every handle it hands out, and of every suite acquisition.
//
// Each handle value is issued once and never again in this process, so a handle used after
// its release is recognised as such, and one from another host is unknown here. The host
// never looks through a handle: it looks the value up here first, and only a live handle of
// the right kind is acted on. Misuse is recorded as a problem, never a crash.
//
// Handles are issued either on the plug-in's request (strings, attribute sets, lists,
// contexts, access references, notifiers, menu items and groups it adds) or by the host on
// its own (the plug-in reference, the host's own menu groups). Only the first kind can leak.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/HostAbi.h"

namespace hostsim {

enum class HandleKind {
    PluginRef,
    String,
    AttributeSet,
    ArtboardList,
    AppContext,
    AccessRef,
    Notifier,
    MenuItem,
    MenuGroup,
};

// "string", "attribute set", ...
const char* KindName(HandleKind kind);

// What the host gave the plug-in on purpose and takes back only when it quits: the lock's
// access reference, the notifier, and the menu items and groups.
inline const std::set<HandleKind> kLeftToHostByDesign = {
    HandleKind::AccessRef, HandleKind::Notifier, HandleKind::MenuItem, HandleKind::MenuGroup};

enum class HandleOrigin {
    PluginRequest,  // created because the plug-in asked; must be given back unless left to host
    Host,           // the host's own; never counted as outstanding
};

class HandleLedger {
  public:
    enum class Status { Live, Released, Unknown, WrongKind };

    struct Entry {
        std::uint64_t value = 0;
        HandleKind kind = HandleKind::String;
        HandleOrigin origin = HandleOrigin::PluginRequest;
        int ordinal = 0;  // 1, 2, ... per kind in this ledger: stable names for logs
        std::string description;
        bool live = true;
    };

    struct Problem {
        enum class Type {
            DoubleRelease,
            UseAfterRelease,
            UnknownHandle,
            WrongKind,
            SuiteOverRelease
        };
        Type type;
        std::string text;  // what happened, with the operation and the handle
    };

    struct SuiteHold {
        std::string name;
        std::int32_t version = 0;
        int count = 0;  // acquired minus released
    };

    HandleLedger() = default;
    HandleLedger(const HandleLedger&) = delete;
    HandleLedger& operator=(const HandleLedger&) = delete;

    // Issues a new handle value, never issued before in this process.
    abi::Handle Issue(HandleKind kind, HandleOrigin origin, std::string description);

    // Status of a value as a handle of `kind`; null is Unknown.
    Status StatusOf(HandleKind kind, abi::Handle handle) const;
    // True when `handle` is a live handle of `kind`; otherwise records a problem naming
    // `operation` and returns false.
    bool Use(HandleKind kind, abi::Handle handle, std::string_view operation);
    // Ends a live handle's life and returns true; otherwise records the problem (double
    // release, unknown, wrong kind) and returns false.
    bool Release(HandleKind kind, abi::Handle handle, std::string_view operation);

    void AcquireSuite(std::string_view name, std::int32_t version);
    // Gives back one acquisition; releasing a suite not held is recorded and returns false.
    bool ReleaseSuite(std::string_view name, std::int32_t version, std::string_view operation);
    // Suites with a positive count, in name order.
    std::vector<SuiteHold> HeldSuites() const;
    int HoldCount(std::string_view name, std::int32_t version) const;

    // Live handles issued on the plug-in's request, in the order of issue.
    std::vector<Entry> Outstanding() const;
    // The same, leaving out the kinds in `leftToHost`.
    std::vector<Entry> OutstandingExcept(const std::set<HandleKind>& leftToHost) const;
    const std::vector<Problem>& Problems() const { return problems_; }

    // Everything wrong, one line each: handles still live that are not in `leftToHost`,
    // suites still held, and every problem. Empty when nothing is wrong.
    std::string Report(const std::set<HandleKind>& leftToHost = {}) const;

    // A handle as logs write it: "string#3", "null", or "unknown 0x..." for a value never issued
    // here. Released handles keep their name with " (released)".
    std::string Describe(abi::Handle handle) const;
    const Entry* Find(abi::Handle handle) const;

  private:
    Status Check(HandleKind kind, abi::Handle handle) const;
    void RecordMisuse(Status status, HandleKind kind, abi::Handle handle,
                      std::string_view operation, bool releasing);

    std::map<std::uint64_t, Entry> entries_;
    std::map<HandleKind, int> ordinals_;
    std::map<std::pair<std::string, std::int32_t>, int> suites_;
    std::vector<Problem> problems_;
};

}  // namespace hostsim
