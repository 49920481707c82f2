// "AI Context Suite", version 6: the host context a plug-in works in outside a command.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/HostTypes.h"

inline constexpr const char* kContextSuiteName = "AI Context Suite";
inline constexpr std::int32_t kContextSuiteVersion = 6;

struct ContextSuite {
    UnusedSuiteEntry unused1;  // entry 1
    // 2. Enters the application context for the plug-in and writes its handle to *context.
    //    The plug-in pops once after every push that gave it a handle; a push that gave none
    //    (refused, or answered without one) entered nothing to leave. [held]
    ErrorCode (*PushAppContext)(PluginRef plugin, AppContextHandle* context);
    // 3. Leaves the context entered by PushAppContext (handle passed by value). [held]
    ErrorCode (*PopAppContext)(AppContextHandle context);
};

// Entry n of the host's table sits at position n.
static_assert(offsetof(ContextSuite, PushAppContext) == 1 * sizeof(void*));
static_assert(offsetof(ContextSuite, PopAppContext) == 2 * sizeof(void*));

extern const ContextSuite* gContextSuite;
