// "AI Unicode String Suite", version 7: strings owned by the host.
//
// Every string argument is the address of a one-field ai::HostString, i.e. of a slot that
// holds a HostStringHandle: the host reads the handle there, or writes a new one there.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/HostTypes.h"

inline constexpr const char* kUnicodeStringSuiteName = "AI Unicode String Suite";
inline constexpr std::int32_t kUnicodeStringSuiteVersion = 7;

struct UnicodeStringSuite {
    // 1. Makes a new string from `byteCount` bytes (no terminator counted) in the encoding
    //    `encoding` (the plug-in always passes 0 with ASCII text) and writes its handle to
    //    *str. The caller owns the new string and disposes it with entry 4. [held]
    ErrorCode (*Initialize)(HostStringHandle* str, const char* bytes, std::int32_t byteCount,
                            std::int32_t encoding);
    UnusedSuiteEntry unused2;  // entry 2
    UnusedSuiteEntry unused3;  // entry 3
    // 4. Disposes the string whose handle is in *str. [held]
    ErrorCode (*Destroy)(HostStringHandle* str);
    // 5. Appends the text of *source to *target; both stay the caller's. [held]
    ErrorCode (*Append)(HostStringHandle* target, const HostStringHandle* source);
    UnusedSuiteEntry unused6;  // entry 6
    // 7. Makes the text of *target equal to that of *source. Both may be the same slot. [held]
    ErrorCode (*Copy)(HostStringHandle* target, const HostStringHandle* source);
};

// Entry n of the host's table sits at position n.
static_assert(offsetof(UnicodeStringSuite, Initialize) == 0 * sizeof(void*));
static_assert(offsetof(UnicodeStringSuite, Destroy) == 3 * sizeof(void*));
static_assert(offsetof(UnicodeStringSuite, Append) == 4 * sizeof(void*));
static_assert(offsetof(UnicodeStringSuite, Copy) == 6 * sizeof(void*));

extern const UnicodeStringSuite* gUnicodeStringSuite;
