// A module that looks like Quorvane to the host but whose commands fail, so that the command
// line's handling of a failing module can be seen end to end without touching the real one.
//
// Built three times. With QUORVANE_FAIL_AT_STARTUP it refuses to start up with 'Nope'; with
// QUORVANE_FAIL_AT_NOTICE it starts but answers the application-started notice with 'Late'.
// Otherwise it starts, installs "Quorvane, Grid by Row" and "Quorvane, Grid by Column" in the
// host's "ArtBoards" group, and answers every choice of them with 'Oops'. It gives back every
// string and suite it takes, so the host sees no leak.
#include <cstdint>
#include <cstring>

#include "host/BasicSuite.h"
#include "host/ErrorCode.h"
#include "host/HostMessage.h"
#include "host/MenuSuite.h"
#include "host/UnicodeStringSuite.h"

namespace {

constexpr ErrorCode kCommandFailed = FourCharCode("Oops");
[[maybe_unused]] constexpr ErrorCode kStartupRefused = FourCharCode("Nope");
[[maybe_unused]] constexpr ErrorCode kNoticeRefused = FourCharCode("Late");

// The host's add-item record: the group's name, then the label's string handle itself.
struct ItemRecord {
    const char* groupName;
    HostStringHandle label;
};

[[maybe_unused]] ErrorCode AddItem(const HostMessage* message, const MenuSuite* menus,
                                   const UnicodeStringSuite* strings, const char* key,
                                   const char* label) {
    ItemRecord record{"ArtBoards", nullptr};
    ErrorCode result =
        strings->Initialize(&record.label, label, static_cast<std::int32_t>(std::strlen(label)), 0);
    if (result != kNoError) {
        return result;
    }
    MenuItemHandle item = nullptr;
    result = menus->AddMenuItem(message->pluginRef, key,
                                reinterpret_cast<const MenuItemRecord*>(&record), 0, &item);
    strings->Destroy(&record.label);
    return result;
}

[[maybe_unused]] ErrorCode Startup(const HostMessage* message) {
    const void* menuTable = nullptr;
    const void* stringTable = nullptr;
    const BasicSuite* basic = message->basicSuite;
    ErrorCode result = basic->AcquireSuite(kMenuSuiteName, kMenuSuiteVersion, &menuTable);
    if (result != kNoError) {
        return result;
    }
    result = basic->AcquireSuite(kUnicodeStringSuiteName, kUnicodeStringSuiteVersion, &stringTable);
    if (result == kNoError) {
        const auto* menus = static_cast<const MenuSuite*>(menuTable);
        const auto* strings = static_cast<const UnicodeStringSuite*>(stringTable);
        result = AddItem(message, menus, strings, "FailingCommandHV", "Quorvane, Grid by Row");
        if (result == kNoError) {
            result =
                AddItem(message, menus, strings, "FailingCommandVH", "Quorvane, Grid by Column");
        }
        basic->ReleaseSuite(kUnicodeStringSuiteName, kUnicodeStringSuiteVersion);
    }
    basic->ReleaseSuite(kMenuSuiteName, kMenuSuiteVersion);
    return result;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) ErrorCode PluginMain(
    const char* caller, const char* selector, [[maybe_unused]] void* message) {
    if (std::strcmp(caller, "SP Interface") == 0 && std::strcmp(selector, "Startup") == 0) {
#ifdef QUORVANE_FAIL_AT_STARTUP
        return kStartupRefused;
#else
        return Startup(static_cast<const HostMessage*>(message));
#endif
    }
#ifdef QUORVANE_FAIL_AT_NOTICE
    if (std::strcmp(caller, "AI Notifier") == 0) {
        return kNoticeRefused;
    }
#endif
    if (std::strcmp(caller, "AI Menu") == 0 && std::strcmp(selector, "AI Go") == 0) {
        return kCommandFailed;
    }
    return kNoError;
}
