#include "hostsim/HandleLedger.h"

#include <atomic>
#include <cstdio>

namespace hostsim {
namespace {

// Handle values are shared by every ledger of the process so that none is ever issued twice.
// They start well above zero and step by 16, so that no value is null and none looks like a
// small integer a plug-in could have made up.
std::uint64_t NextHandleValue() {
    static std::atomic<std::uint64_t> next{0x5100000};
    return next.fetch_add(16);
}

std::uint64_t ValueOf(abi::Handle handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

std::string Hex(std::uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

const char* KindName(HandleKind kind) {
    switch (kind) {
        case HandleKind::PluginRef:
            return "plugin";
        case HandleKind::String:
            return "string";
        case HandleKind::AttributeSet:
            return "attributes";
        case HandleKind::ArtboardList:
            return "artboard-list";
        case HandleKind::AppContext:
            return "context";
        case HandleKind::AccessRef:
            return "access";
        case HandleKind::Notifier:
            return "notifier";
        case HandleKind::MenuItem:
            return "menu-item";
        case HandleKind::MenuGroup:
            return "menu-group";
    }
    return "handle";
}

abi::Handle HandleLedger::Issue(HandleKind kind, HandleOrigin origin, std::string description) {
    const std::uint64_t value = NextHandleValue();
    Entry entry;
    entry.value = value;
    entry.kind = kind;
    entry.origin = origin;
    entry.ordinal = ++ordinals_[kind];
    entry.description = std::move(description);
    entries_.emplace(value, std::move(entry));
    return reinterpret_cast<abi::Handle>(static_cast<std::uintptr_t>(value));
}

HandleLedger::Status HandleLedger::Check(HandleKind kind, abi::Handle handle) const {
    const auto it = entries_.find(ValueOf(handle));
    if (it == entries_.end()) {
        return Status::Unknown;
    }
    if (it->second.kind != kind) {
        return Status::WrongKind;
    }
    return it->second.live ? Status::Live : Status::Released;
}

HandleLedger::Status HandleLedger::StatusOf(HandleKind kind, abi::Handle handle) const {
    return Check(kind, handle);
}

void HandleLedger::RecordMisuse(Status status, HandleKind kind, abi::Handle handle,
                                std::string_view operation, bool releasing) {
    Problem problem{};
    std::string what = std::string(operation) + ": ";
    switch (status) {
        case Status::Live:
            return;
        case Status::Released:
            problem.type =
                releasing ? Problem::Type::DoubleRelease : Problem::Type::UseAfterRelease;
            what += releasing ? "released twice: " : "used after release: ";
            break;
        case Status::Unknown:
            problem.type = Problem::Type::UnknownHandle;
            what += std::string("unknown ") + KindName(kind) + " handle: ";
            break;
        case Status::WrongKind:
            problem.type = Problem::Type::WrongKind;
            what += std::string("not a ") + KindName(kind) + " handle: ";
            break;
    }
    problem.text = what + Describe(handle);
    problems_.push_back(std::move(problem));
}

bool HandleLedger::Use(HandleKind kind, abi::Handle handle, std::string_view operation) {
    const Status s = Check(kind, handle);
    RecordMisuse(s, kind, handle, operation, false);
    return s == Status::Live;
}

bool HandleLedger::Release(HandleKind kind, abi::Handle handle, std::string_view operation) {
    const Status s = Check(kind, handle);
    RecordMisuse(s, kind, handle, operation, true);
    if (s != Status::Live) {
        return false;
    }
    entries_.at(ValueOf(handle)).live = false;
    return true;
}

void HandleLedger::AcquireSuite(std::string_view name, std::int32_t version) {
    ++suites_[{std::string(name), version}];
}

bool HandleLedger::ReleaseSuite(std::string_view name, std::int32_t version,
                                std::string_view operation) {
    int& count = suites_[{std::string(name), version}];
    if (count <= 0) {
        problems_.push_back({Problem::Type::SuiteOverRelease,
                             std::string(operation) + ": released but not held: \"" +
                                 std::string(name) + "\" " + std::to_string(version)});
        return false;
    }
    --count;
    return true;
}

std::vector<HandleLedger::SuiteHold> HandleLedger::HeldSuites() const {
    std::vector<SuiteHold> held;
    for (const auto& [key, count] : suites_) {
        if (count > 0) {
            held.push_back({key.first, key.second, count});
        }
    }
    return held;
}

int HandleLedger::HoldCount(std::string_view name, std::int32_t version) const {
    const auto it = suites_.find({std::string(name), version});
    return it == suites_.end() ? 0 : it->second;
}

std::vector<HandleLedger::Entry> HandleLedger::Outstanding() const {
    return OutstandingExcept({});
}

std::vector<HandleLedger::Entry> HandleLedger::OutstandingExcept(
    const std::set<HandleKind>& leftToHost) const {
    std::vector<Entry> live;
    for (const auto& [value, entry] : entries_) {
        if (entry.live && entry.origin == HandleOrigin::PluginRequest &&
            leftToHost.count(entry.kind) == 0) {
            live.push_back(entry);
        }
    }
    return live;  // the map's order is the order of issue: values only grow
}

std::string HandleLedger::Report(const std::set<HandleKind>& leftToHost) const {
    std::string text;
    for (const Entry& entry : OutstandingExcept(leftToHost)) {
        text += "leaked: " +
                Describe(reinterpret_cast<abi::Handle>(static_cast<std::uintptr_t>(entry.value))) +
                " (" + entry.description + ")\n";
    }
    for (const SuiteHold& hold : HeldSuites()) {
        text += "suite still held: \"" + hold.name + "\" " + std::to_string(hold.version) + " x" +
                std::to_string(hold.count) + "\n";
    }
    for (const Problem& problem : problems_) {
        text += problem.text + "\n";
    }
    return text;
}

const HandleLedger::Entry* HandleLedger::Find(abi::Handle handle) const {
    const auto it = entries_.find(ValueOf(handle));
    return it == entries_.end() ? nullptr : &it->second;
}

std::string HandleLedger::Describe(abi::Handle handle) const {
    if (handle == nullptr) {
        return "null";
    }
    const Entry* entry = Find(handle);
    if (entry == nullptr) {
        return "unknown " + Hex(ValueOf(handle));
    }
    std::string name = std::string(KindName(entry->kind)) + "#" + std::to_string(entry->ordinal);
    if (!entry->live) {
        name += " (released)";
    }
    return name;
}

}  // namespace hostsim
