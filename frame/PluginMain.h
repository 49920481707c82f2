// The module's one exported function.
#pragma once

#include "host/ErrorCode.h"

#if defined(_WIN32)
#define QUORVANE_EXPORT __declspec(dllexport)
#else
#define QUORVANE_EXPORT __attribute__((visibility("default")))
#endif

// The host calls this for every message, one at a time, on the thread it chooses:
// `caller` and `selector` name the message, `message` points to a record that begins with
// HostMessage. Returns the message's ErrorCode; never lets an exception out.
extern "C" QUORVANE_EXPORT ErrorCode PluginMain(const char* caller, const char* selector,
                                                void* message);
