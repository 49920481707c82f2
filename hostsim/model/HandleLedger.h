// The host's record of the handles it has handed out, and of every suite acquisition.
//
// The ledger keeps the live handles only: one slot per handle alive at once, per kind, and
// a count of issued, released and live handles per kind. A released slot is reused by the
// next handle of its kind. A handle value carries the ledger it came from, its kind, its slot
// and the low bits of its ordinal (its number among the handles of its kind), so a value is
// checked by reading one slot: a handle used after its release, or released twice, no longer
// matches its slot (the slot keeps the last handle it held as a tombstone until it is reused,
// and a reused slot holds a later ordinal). A value from another ledger or never issued is
// unknown here. How many bits each field gets follows the width of a pointer (HandleLayout):
// a value must survive the round trip through the plug-in's pointer-sized handle. The host never
// looks through a handle: it checks it here first, and only a live handle of the right kind is
// acted on. Misuse is recorded as a problem, never a crash.
//
// Handles are issued either on the plug-in's request (strings, attribute sets, lists,
// contexts, access references, notifiers, menu items and groups it adds) or by the host on
// its own (the plug-in reference, the host's own menu groups). Only the first kind can leak;
// each live handle remembers the host call that issued it, so a leak report says where.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/abi/HostAbi.h"

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
inline constexpr std::size_t kHandleKindCount = 9;

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

// How a handle value divides its bits: from the top, the ledger's mark, the kind (4 bits), the
// slot and the low bits of the ordinal. The mark is never 0, so no value is null or looks like
// a small integer a plug-in could have made up. A released handle's value comes back only after
// 2^ordinalBits more handles of its kind; at most 2^slotBits handles of one kind live at once;
// a ledger's mark comes back after 2^markBits - 1 more ledgers.
struct HandleLayout {
    int markBits = 0;
    int slotBits = 0;
    int ordinalBits = 0;
    static constexpr int kKindBits = 4;

    constexpr int Bits() const { return markBits + kKindBits + slotBits + ordinalBits; }
    // The layout for pointers of `bits` bits (64 or 32).
    static constexpr HandleLayout ForPointerBits(int bits) {
        return bits >= 64 ? HandleLayout{12, 24, 24} : HandleLayout{4, 12, 12};
    }
    // The layout for this build's pointers.
    static constexpr HandleLayout Native() {
        return ForPointerBits(static_cast<int>(sizeof(abi::Handle) * 8));
    }
};
static_assert(HandleLayout::Native().Bits() <= static_cast<int>(sizeof(abi::Handle) * 8),
              "a handle value must fit in a pointer");
static_assert(HandleLayout::ForPointerBits(32).Bits() == 32 &&
              HandleLayout::ForPointerBits(64).Bits() == 64);

class HandleLedger {
  public:
    enum class Status { Live, Released, Unknown, WrongKind };

    // A live handle, as Outstanding() lists it.
    struct Entry {
        std::uint64_t value = 0;
        HandleKind kind = HandleKind::String;
        HandleOrigin origin = HandleOrigin::PluginRequest;
        std::uint64_t ordinal = 0;  // 1, 2, ... per kind in this ledger: stable names for logs
        std::string description;    // what it holds, when its keeper can say; may be empty
        std::string issuedBy;       // "call 12 GetName", or "" when issued outside a host call
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

    struct Counts {
        std::uint64_t issued = 0;
        std::uint64_t released = 0;
        std::uint64_t Live() const { return issued - released; }
    };

    // Says what a live handle of one kind holds, from its slot ("\"Quorvane\""); only asked
    // when a report is written.
    using Describer = std::function<std::string(std::size_t slot)>;

    // A ledger whose values are laid out for this build's pointers; a test may ask for another
    // width's layout to exercise it here.
    explicit HandleLedger(HandleLayout layout = HandleLayout::Native());
    HandleLedger(const HandleLedger&) = delete;
    HandleLedger& operator=(const HandleLedger&) = delete;

    // Issues a handle of `kind`. Its value is new to this ledger (no two handles of one ledger
    // share a value) and carries this ledger's own mark, so that another ledger's handle is
    // unknown here. `description` is for the host's own handles; the plug-in's are described
    // when a report asks (see SetDescriber) and by the call that issued them.
    // (Inline: every attribute set the plug-in fetches or clones is issued a handle.)
    abi::Handle Issue(HandleKind kind, HandleOrigin origin, std::string_view description = {}) {
        KindSlots& slots = kinds_[Index(kind)];
        std::size_t index = 0;
        if (!slots.free.empty()) {
            index = slots.free.back();
            slots.free.pop_back();
        } else {
            index = AddSlot(kind);
        }
        Slot& slot = slots.slots[index];
        slot.ordinal = ++slots.counts.issued;
        slot.value = mark_ << markShift_ | std::uint64_t{Index(kind)} << kindShift_ |
                     std::uint64_t{index} << ordinalBits_ | (slot.ordinal & ordinalMask_);
        slot.serial = ++serial_;
        slot.call = issuingCall_;
        slot.operation = issuingOperation_;
        slot.description.clear();  // the slot keeps its storage for the next
        if (!description.empty()) {
            slot.description = description;
        }
        slot.origin = origin;
        slot.live = true;
        return HandleOf(slot.value);
    }

    // Status of a value as a handle of `kind`; null is Unknown.
    Status StatusOf(HandleKind kind, abi::Handle handle) const;
    // True when `handle` is a live handle of `kind`; otherwise records a problem naming
    // `operation` and returns false.
    bool Use(HandleKind kind, abi::Handle handle, std::string_view operation);
    // Ends a live handle's life and returns true; otherwise records the problem (double
    // release, unknown, wrong kind) and returns false.
    bool Release(HandleKind kind, abi::Handle handle, std::string_view operation);

    // True when `handle` is a live handle of `kind`, read from its one slot; nothing is
    // recorded either way. Every host call asks this first: a live handle is the slot's last,
    // so its value equals the slot's, which carries this ledger's mark and the kind.
    bool IsLive(HandleKind kind, abi::Handle handle) const {
        const std::vector<Slot>& slots = kinds_[Index(kind)].slots;
        const std::size_t index = SlotOf(handle);
        return index < slots.size() && slots[index].live && slots[index].value == ValueOf(handle);
    }
    // Ends the life of `handle` when it is a live handle of `kind` and returns true; otherwise
    // changes nothing, records nothing and returns false (Release then says what is wrong).
    bool ReleaseIfLive(HandleKind kind, abi::Handle handle) {
        KindSlots& slots = kinds_[Index(kind)];
        const std::size_t index = SlotOf(handle);
        if (index >= slots.slots.size()) {
            return false;
        }
        Slot& slot = slots.slots[index];
        if (!slot.live || slot.value != ValueOf(handle)) {
            return false;
        }
        slot.live = false;  // kept as the tombstone until the slot is reused
        slot.description.clear();
        slots.free.push_back(static_cast<std::uint32_t>(index));
        ++slots.counts.released;
        return true;
    }

    // The slot of a handle this ledger issued: below SlotCount(kind) of its kind, held by at
    // most one live handle at a time. The stores that keep what a handle names index by it.
    std::size_t SlotOf(abi::Handle handle) const {
        return static_cast<std::size_t>(ValueOf(handle) >> ordinalBits_ & slotMask_);
    }
    std::size_t SlotCount(HandleKind kind) const;
    Counts CountsOf(HandleKind kind) const { return kinds_[Index(kind)].counts; }

    // The host call being served, which handles issued until the next change are stamped
    // with; 0 and null outside any call. `operation` must outlive the ledger (a literal).
    void SetIssuingCall(std::int64_t number, const char* operation) {
        issuingCall_ = number;
        issuingOperation_ = operation;
    }
    void SetDescriber(HandleKind kind, Describer describer);

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

    // A handle as logs write it: "string#3", "null", or "unknown 0x..." for a value not issued
    // here. Released handles keep their name with " (released)".
    std::string Describe(abi::Handle handle) const;

  private:
    struct Slot {
        std::uint64_t value = 0;    // the handle issued last in this slot
        std::uint64_t ordinal = 0;  // its ordinal
        std::uint64_t serial = 0;   // its place in the order of issue across kinds
        std::int64_t call = 0;      // the host call that issued it; 0 outside any call
        const char* operation = nullptr;
        std::string description;
        HandleOrigin origin = HandleOrigin::PluginRequest;
        bool live = false;
    };
    struct KindSlots {
        std::vector<Slot> slots;
        std::vector<std::uint32_t> free;  // released slots, reused last-released first
        Counts counts;
        Describer describer;
    };
    struct SuiteCount {
        std::string name;
        std::int32_t version = 0;
        int count = 0;
    };
    // Where a value's fields lead in this ledger: the slot, and the handle's full ordinal.
    struct Found {
        const Slot* slot = nullptr;
        HandleKind kind = HandleKind::String;
        std::uint64_t ordinal = 0;
        bool current = false;  // the handle is the slot's last (live or tombstone)
    };

    static std::size_t Index(HandleKind kind) { return static_cast<std::size_t>(kind); }
    static std::uint64_t ValueOf(abi::Handle handle) {
        return reinterpret_cast<std::uintptr_t>(handle);
    }
    static abi::Handle HandleOf(std::uint64_t value) {
        return reinterpret_cast<abi::Handle>(static_cast<std::uintptr_t>(value));
    }
    // A new slot of `kind` for Issue, when no released one is free; stops the host when the
    // kind has as many live handles as its values can tell apart.
    std::size_t AddSlot(HandleKind kind);
    Found Find(abi::Handle handle) const;
    Status Check(HandleKind kind, abi::Handle handle) const;
    void RecordMisuse(Status status, HandleKind kind, abi::Handle handle,
                      std::string_view operation, bool releasing);
    Entry EntryOf(HandleKind kind, std::size_t slot) const;
    SuiteCount* FindSuite(std::string_view name, std::int32_t version);

    // The layout's shifts and masks.
    int ordinalBits_;
    int kindShift_;
    int markShift_;
    std::uint64_t ordinalMask_;
    std::uint64_t slotMask_;
    std::uint64_t mark_;  // this ledger's mark in every value it issues
    std::array<KindSlots, kHandleKindCount> kinds_;
    std::uint64_t serial_ = 0;
    std::int64_t issuingCall_ = 0;
    const char* issuingOperation_ = nullptr;
    std::vector<SuiteCount> suites_;
    std::vector<Problem> problems_;
};

}  // namespace hostsim
