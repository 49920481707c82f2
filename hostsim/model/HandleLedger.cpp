#include "hostsim/model/HandleLedger.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace hostsim {
namespace {

constexpr std::uint64_t kKindMask = (std::uint64_t{1} << HandleLayout::kKindBits) - 1;
static_assert(kHandleKindCount <= kKindMask + 1);

std::uint64_t Mask(int bits) {
    return (std::uint64_t{1} << bits) - 1;
}

// Marks 1, 2, ... in turn across ledgers of any layout, wrapping within the layout's bits.
std::uint64_t NextMark(const HandleLayout& layout) {
    static std::atomic<std::uint64_t> next{0};
    return next.fetch_add(1) % Mask(layout.markBits) + 1;
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

HandleLedger::HandleLedger(HandleLayout layout)
    : ordinalBits_(layout.ordinalBits),
      kindShift_(layout.ordinalBits + layout.slotBits),
      markShift_(kindShift_ + HandleLayout::kKindBits),
      ordinalMask_(Mask(layout.ordinalBits)),
      slotMask_(Mask(layout.slotBits)),
      mark_(NextMark(layout)) {}

std::size_t HandleLedger::AddSlot(HandleKind kind) {
    std::vector<Slot>& slots = kinds_[Index(kind)].slots;
    if (slots.size() > slotMask_) {
        std::fprintf(stderr, "stand-in host: more than %llu live %s handles at once\n",
                     static_cast<unsigned long long>(slotMask_) + 1, KindName(kind));
        std::abort();
    }
    slots.emplace_back();
    return slots.size() - 1;
}

HandleLedger::Found HandleLedger::Find(abi::Handle handle) const {
    const std::uint64_t value = ValueOf(handle);
    const std::uint64_t kind = value >> kindShift_ & kKindMask;
    if (value >> markShift_ != mark_ || kind >= kHandleKindCount) {
        return {};
    }
    const std::vector<Slot>& slots = kinds_[kind].slots;
    const std::uint64_t index = value >> ordinalBits_ & slotMask_;
    if (index >= slots.size()) {
        return {};
    }
    const Slot& slot = slots[index];
    if (slot.value == value) {
        return {&slot, static_cast<HandleKind>(kind), slot.ordinal, true};
    }
    // The slot was reused: the handle held it before, with the latest ordinal below the
    // slot's own that ends in the handle's bits.
    std::uint64_t ordinal = (slot.ordinal & ~ordinalMask_) | (value & ordinalMask_);
    if (ordinal >= slot.ordinal) {
        if (ordinal <= ordinalMask_) {
            return {};
        }
        ordinal -= ordinalMask_ + 1;
    }
    if (ordinal == 0) {
        return {};
    }
    return {&slot, static_cast<HandleKind>(kind), ordinal, false};
}

HandleLedger::Status HandleLedger::Check(HandleKind kind, abi::Handle handle) const {
    const Found found = Find(handle);
    if (found.slot == nullptr) {
        return Status::Unknown;
    }
    if (found.kind != kind) {
        return Status::WrongKind;
    }
    return found.current && found.slot->live ? Status::Live : Status::Released;
}

HandleLedger::Status HandleLedger::StatusOf(HandleKind kind, abi::Handle handle) const {
    return IsLive(kind, handle) ? Status::Live : Check(kind, handle);
}

void HandleLedger::RecordMisuse(Status status, HandleKind kind, abi::Handle handle,
                                std::string_view operation, bool releasing) {
    if (status == Status::Live) {
        return;  // before any text is made: this runs on every use and release of a handle
    }
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
    if (IsLive(kind, handle)) {
        return true;
    }
    const Status s = Check(kind, handle);
    RecordMisuse(s, kind, handle, operation, false);
    return s == Status::Live;
}

bool HandleLedger::Release(HandleKind kind, abi::Handle handle, std::string_view operation) {
    if (ReleaseIfLive(kind, handle)) {
        return true;
    }
    const Status s = Check(kind, handle);
    RecordMisuse(s, kind, handle, operation, true);
    return s == Status::Live && ReleaseIfLive(kind, handle);
}

std::size_t HandleLedger::SlotCount(HandleKind kind) const {
    return kinds_[Index(kind)].slots.size();
}

void HandleLedger::SetDescriber(HandleKind kind, Describer describer) {
    kinds_[Index(kind)].describer = std::move(describer);
}

HandleLedger::SuiteCount* HandleLedger::FindSuite(std::string_view name, std::int32_t version) {
    for (SuiteCount& suite : suites_) {
        if (suite.version == version && suite.name == name) {
            return &suite;
        }
    }
    return nullptr;
}

void HandleLedger::AcquireSuite(std::string_view name, std::int32_t version) {
    if (SuiteCount* suite = FindSuite(name, version)) {
        ++suite->count;
        return;
    }
    suites_.push_back({std::string(name), version, 1});
}

bool HandleLedger::ReleaseSuite(std::string_view name, std::int32_t version,
                                std::string_view operation) {
    SuiteCount* suite = FindSuite(name, version);
    if (suite == nullptr || suite->count <= 0) {
        problems_.push_back({Problem::Type::SuiteOverRelease,
                             std::string(operation) + ": released but not held: \"" +
                                 std::string(name) + "\" " + std::to_string(version)});
        return false;
    }
    --suite->count;
    return true;
}

std::vector<HandleLedger::SuiteHold> HandleLedger::HeldSuites() const {
    std::vector<SuiteHold> held;
    for (const SuiteCount& suite : suites_) {
        if (suite.count > 0) {
            held.push_back({suite.name, suite.version, suite.count});
        }
    }
    std::sort(held.begin(), held.end(), [](const SuiteHold& a, const SuiteHold& b) {
        return a.name != b.name ? a.name < b.name : a.version < b.version;
    });
    return held;
}

int HandleLedger::HoldCount(std::string_view name, std::int32_t version) const {
    for (const SuiteCount& suite : suites_) {
        if (suite.version == version && suite.name == name) {
            return suite.count;
        }
    }
    return 0;
}

HandleLedger::Entry HandleLedger::EntryOf(HandleKind kind, std::size_t index) const {
    const KindSlots& slots = kinds_[Index(kind)];
    const Slot& slot = slots.slots[index];
    Entry entry;
    entry.value = slot.value;
    entry.kind = kind;
    entry.origin = slot.origin;
    entry.ordinal = slot.ordinal;
    entry.description = slots.describer ? slots.describer(index) : slot.description;
    if (slot.operation != nullptr) {
        entry.issuedBy = "call " + std::to_string(slot.call) + " " + slot.operation;
    }
    entry.live = slot.live;
    return entry;
}

std::vector<HandleLedger::Entry> HandleLedger::Outstanding() const {
    return OutstandingExcept({});
}

std::vector<HandleLedger::Entry> HandleLedger::OutstandingExcept(
    const std::set<HandleKind>& leftToHost) const {
    std::vector<std::pair<std::uint64_t, Entry>> live;
    for (std::size_t k = 0; k < kHandleKindCount; ++k) {
        const auto kind = static_cast<HandleKind>(k);
        if (leftToHost.count(kind) != 0) {
            continue;
        }
        const std::vector<Slot>& slots = kinds_[k].slots;
        for (std::size_t i = 0; i < slots.size(); ++i) {
            if (slots[i].live && slots[i].origin == HandleOrigin::PluginRequest) {
                live.emplace_back(slots[i].serial, EntryOf(kind, i));
            }
        }
    }
    std::sort(live.begin(), live.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Entry> entries;
    entries.reserve(live.size());
    for (auto& [serial, entry] : live) {
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string HandleLedger::Report(const std::set<HandleKind>& leftToHost) const {
    std::string text;
    for (const Entry& entry : OutstandingExcept(leftToHost)) {
        text += "leaked: " + Describe(HandleOf(entry.value));
        if (!entry.description.empty()) {
            text += " (" + entry.description + ")";
        }
        if (!entry.issuedBy.empty()) {
            text += ", issued by " + entry.issuedBy;
        }
        text += "\n";
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

std::string HandleLedger::Describe(abi::Handle handle) const {
    if (handle == nullptr) {
        return "null";
    }
    const Found found = Find(handle);
    if (found.slot == nullptr) {
        return "unknown " + Hex(ValueOf(handle));
    }
    std::string name = std::string(KindName(found.kind)) + "#" + std::to_string(found.ordinal);
    if (!found.current || !found.slot->live) {
        name += " (released)";
    }
    return name;
}

}  // namespace hostsim
