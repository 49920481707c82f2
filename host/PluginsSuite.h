// "SP Plug-ins Suite", version 4: what the host records about each plug-in.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/HostTypes.h"

inline constexpr const char* kPluginsSuiteName = "SP Plug-ins Suite";
inline constexpr std::int32_t kPluginsSuiteVersion = 4;

struct PluginsSuite {
    UnusedSuiteEntry unused1[23];  // entries 1 to 23
    // 24. Sets the plug-in's name; the host copies the zero-terminated string. [held]
    ErrorCode (*SetPluginName)(PluginRef plugin, const char* name);
};

// Entry n of the host's table sits at position n.
static_assert(offsetof(PluginsSuite, SetPluginName) == 23 * sizeof(void*));

extern const PluginsSuite* gPluginsSuite;
