// "AI User Suite", version 10: talking to the user.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/HostTypes.h"

inline constexpr const char* kUserSuiteName = "AI User Suite";
inline constexpr std::int32_t kUserSuiteVersion = 10;

struct UserSuite {
    UnusedSuiteEntry unused1[44];  // entries 1 to 44
    // 45. Shows a modal alert with the text of a host string. `text` is the address of the
    //     one-field ai::HostString that holds the string's handle; the string stays the
    //     caller's. [held]
    ErrorCode (*MessageAlert)(const HostStringHandle* text);
};

// Entry n of the host's table sits at position n.
static_assert(offsetof(UserSuite, MessageAlert) == 44 * sizeof(void*));

extern const UserSuite* gUserSuite;
