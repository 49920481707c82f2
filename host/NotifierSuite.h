// "AI Notifier Suite", version 3: notifications the host sends to plug-ins.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/HostTypes.h"

inline constexpr const char* kNotifierSuiteName = "AI Notifier Suite";
inline constexpr std::int32_t kNotifierSuiteVersion = 3;
inline constexpr const char* kApplicationStartedNotifier = "AI Application Started Notifier";

struct NotifierSuite {
    // 1. Registers a notifier called `name` for the notification `type`; the host copies both
    //    strings. When `notifier` is not null the new handle is written there. The notifier
    //    belongs to the host and stays registered for the rest of the session. [held]
    ErrorCode (*AddNotifier)(PluginRef plugin, const char* name, const char* type,
                             NotifierHandle* notifier);
};

// Entry n of the host's table sits at position n.
static_assert(offsetof(NotifierSuite, AddNotifier) == 0 * sizeof(void*));

extern const NotifierSuite* gNotifierSuite;
