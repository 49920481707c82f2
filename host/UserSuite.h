// "AI User Suite", version 10: talking to the user.
#pragma once

#include <cstdint>

#include "host/HostTypes.h"

inline constexpr const char* kUserSuiteName = "AI User Suite";
inline constexpr std::int32_t kUserSuiteVersion = 10;

struct UserSuite {
    UnusedSuiteEntry unused1[44];  // entries 1 to 44
    // 45. Shows a modal alert with the text of a host string. `text` is the address of the
    //     one-field ai::HostString that holds the string's handle; the string stays the
    //     caller's.
    ErrorCode (*MessageAlert)(const HostStringHandle* text);
};

extern const UserSuite* gUserSuite;
