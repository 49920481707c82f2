// The real module with one deliberate fault, for proving that `quorvane-host validate` names
// the check it breaks. The real entry point is compiled under the name RealPluginMain; this
// PluginMain wraps it and adds the fault that the compile definition picks:
//   BROKEN_LEAKS_STRING       every menu choice makes a host string and never destroys it
//   BROKEN_SHUTDOWN_THROWS    shut-down throws an exception out of PluginMain
//   BROKEN_SWAPS_NAMES        after every menu choice the first two artboards exchange names
//   BROKEN_HIDES_REFUSAL      a menu choice that failed answers success
//   BROKEN_CRASHES_ON_RELOAD  a reload ends the process
//   BROKEN_KEEPS_RULER_ORIGINS  a menu choice leaves every ruler origin at its list position
//                             instead of moving it with its artboard
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "hostsim/abi/HostAbi.h"

namespace abi = hostsim::abi;

extern "C" abi::ErrorCode RealPluginMain(const char* caller, const char* selector, void* record);

namespace {

bool Is(const char* text, const char* expected) {
    return text != nullptr && std::strcmp(text, expected) == 0;
}

// A suite's table through the basic suite of the message; released by the destructor.
class Held {
  public:
    Held(const void* message, const char* name, std::int32_t version)
        : name_(name), version_(version) {
        const auto* basic = static_cast<const abi::SuiteTable*>(
            static_cast<const abi::MessageHeader*>(message)->basicSuite);
        release_ = abi::EntryOf<abi::basic::ReleaseSuite>(*basic);
        const void* table = nullptr;
        if (abi::EntryOf<abi::basic::AcquireSuite>(*basic)(name, version, &table) == 0) {
            table_ = static_cast<const abi::SuiteTable*>(table);
        }
    }
    ~Held() {
        if (table_ != nullptr) {
            release_(name_, version_);
        }
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    const abi::SuiteTable* operator->() const { return table_; }
    explicit operator bool() const { return table_ != nullptr; }
    const abi::SuiteTable& operator*() const { return *table_; }

  private:
    const char* name_;
    std::int32_t version_;
    abi::basic::ReleaseSuite::Type release_ = nullptr;
    const abi::SuiteTable* table_ = nullptr;
};

[[maybe_unused]] void LeakString(void* message) {
    const Held strings(message, "AI Unicode String Suite", 7);
    if (strings) {
        abi::Handle leaked = nullptr;
        abi::EntryOf<abi::strings::Initialize> (*strings)(&leaked, "leak", 4, 0);
    }
}

[[maybe_unused]] void SwapFirstTwoNames(void* message) {
    const Held artboards(message, "AI Artboard Suite", 2);
    if (!artboards) {
        return;
    }
    const auto& table = *artboards;
    abi::Handle list = nullptr;
    if (abi::EntryOf<abi::artboard::AcquireArtboardList>(table)(&list) != 0) {
        return;
    }
    std::int32_t count = 0;
    abi::EntryOf<abi::artboard::GetArtboardCount>(table)(&list, &count);
    if (count >= 2) {
        abi::Handle sets[2] = {nullptr, nullptr};
        abi::Handle names[2] = {nullptr, nullptr};
        for (std::int32_t i = 0; i < 2; ++i) {
            abi::EntryOf<abi::artboard::GetArtboardAttributes>(table)(&list, i, &sets[i]);
            abi::EntryOf<abi::artboard::GetName>(table)(&sets[i], &names[i]);
        }
        for (std::int32_t i = 0; i < 2; ++i) {
            abi::EntryOf<abi::artboard::SetName>(table)(&sets[i], &names[1 - i]);
            abi::EntryOf<abi::artboard::UpdateArtboard>(table)(&list, i, &sets[i]);
        }
        const Held strings(message, "AI Unicode String Suite", 7);
        for (std::int32_t i = 0; i < 2; ++i) {
            if (strings) {
                abi::EntryOf<abi::strings::Destroy> (*strings)(&names[i]);
            }
            abi::EntryOf<abi::artboard::DisposeAttributes>(table)(&sets[i]);
        }
    }
    abi::EntryOf<abi::artboard::ReleaseArtboardList>(table)(&list);
}

// The ruler origin of each list position, or of none when the host refuses the list.
[[maybe_unused]] std::vector<abi::OriginPoint> RulerOrigins(void* message) {
    std::vector<abi::OriginPoint> origins;
    const Held artboards(message, "AI Artboard Suite", 2);
    abi::Handle list = nullptr;
    if (!artboards || abi::EntryOf<abi::artboard::AcquireArtboardList>(*artboards)(&list) != 0) {
        return origins;
    }
    std::int32_t count = 0;
    abi::EntryOf<abi::artboard::GetArtboardCount> (*artboards)(&list, &count);
    for (std::int32_t i = 0; i < count; ++i) {
        abi::Handle set = nullptr;
        abi::OriginPoint origin{};
        abi::EntryOf<abi::artboard::GetArtboardAttributes> (*artboards)(&list, i, &set);
        abi::EntryOf<abi::artboard::GetRulerOrigin> (*artboards)(&set, &origin);
        abi::EntryOf<abi::artboard::DisposeAttributes> (*artboards)(&set);
        origins.push_back(origin);
    }
    abi::EntryOf<abi::artboard::ReleaseArtboardList> (*artboards)(&list);
    return origins;
}

// Writes each position's origin back where RulerOrigins found it.
[[maybe_unused]] void PutRulerOriginsBack(void* message,
                                          const std::vector<abi::OriginPoint>& origins) {
    const Held artboards(message, "AI Artboard Suite", 2);
    abi::Handle list = nullptr;
    if (!artboards || abi::EntryOf<abi::artboard::AcquireArtboardList>(*artboards)(&list) != 0) {
        return;
    }
    for (std::size_t i = 0; i < origins.size(); ++i) {
        const auto index = static_cast<std::int32_t>(i);
        abi::Handle set = nullptr;
        abi::EntryOf<abi::artboard::GetArtboardAttributes> (*artboards)(&list, index, &set);
        abi::EntryOf<abi::artboard::SetRulerOrigin> (*artboards)(&set, &origins[i]);
        abi::EntryOf<abi::artboard::UpdateArtboard> (*artboards)(&list, index, &set);
        abi::EntryOf<abi::artboard::DisposeAttributes> (*artboards)(&set);
    }
    abi::EntryOf<abi::artboard::ReleaseArtboardList> (*artboards)(&list);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) abi::ErrorCode PluginMain(const char* caller,
                                                                            const char* selector,
                                                                            void* message) {
#if defined(BROKEN_CRASHES_ON_RELOAD)
    if (Is(caller, "SP Access") && Is(selector, "Reload")) {
        std::abort();
    }
#endif
    const bool menuChoice = Is(caller, "AI Menu") && Is(selector, "AI Go");
#if defined(BROKEN_KEEPS_RULER_ORIGINS)
    const std::vector<abi::OriginPoint> origins =
        menuChoice ? RulerOrigins(message) : std::vector<abi::OriginPoint>{};
#endif
    const abi::ErrorCode result = RealPluginMain(caller, selector, message);
#if defined(BROKEN_LEAKS_STRING)
    if (menuChoice) {
        LeakString(message);
    }
#elif defined(BROKEN_SHUTDOWN_THROWS)
    if (Is(caller, "SP Interface") && Is(selector, "Shutdown")) {
        throw std::runtime_error("shut-down went wrong");
    }
#elif defined(BROKEN_SWAPS_NAMES)
    if (menuChoice && result == 0) {
        SwapFirstTwoNames(message);
    }
#elif defined(BROKEN_HIDES_REFUSAL)
    if (menuChoice) {
        return 0;
    }
#elif defined(BROKEN_KEEPS_RULER_ORIGINS)
    if (menuChoice && result == 0) {
        PutRulerOriginsBack(message, origins);
    }
#endif
    static_cast<void>(menuChoice);
    return result;
}
