// "SP Access Suite", version 3: the plug-in's lock in memory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/HostTypes.h"

inline constexpr const char* kAccessSuiteName = "SP Access Suite";
inline constexpr std::int32_t kAccessSuiteVersion = 3;

struct AccessSuite {
    // 1. Takes an access reference on the plug-in and writes it to *access. While it is held
    //    the host keeps the plug-in's code loaded. The plug-in owns the reference. [held]
    ErrorCode (*AcquirePlugin)(PluginRef plugin, AccessRef* access);
    // 2. Gives an access reference back (passed by value). [held]
    ErrorCode (*ReleasePlugin)(AccessRef access);
};

// Entry n of the host's table sits at position n.
static_assert(offsetof(AccessSuite, AcquirePlugin) == 0 * sizeof(void*));
static_assert(offsetof(AccessSuite, ReleasePlugin) == 1 * sizeof(void*));

extern const AccessSuite* gAccessSuite;
