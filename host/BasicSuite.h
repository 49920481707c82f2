// The host's basic suite: hands out the other suites by name and version.
//
// Its address arrives in every message record (HostMessage::basicSuite). Only its first two
// entries are used; the host's table may be longer.
//
// C forms: names are zero-terminated 8-bit strings compared exactly by the host; versions are
// 32-bit signed integers; the acquired table's address is written to *suite.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/HostTypes.h"

struct BasicSuite {
    // 1. Acquires the suite `name` at exactly `version` and writes the table's address to
    //    *suite. The table stays valid until the matching ReleaseSuite. A refused request
    //    returns the host's code. [any message]
    ErrorCode (*AcquireSuite)(const char* name, std::int32_t version, const void** suite);
    // 2. Gives back one acquisition of `name` at `version`. [held]
    ErrorCode (*ReleaseSuite)(const char* name, std::int32_t version);
};

// Entry n of the host's table sits at position n.
static_assert(offsetof(BasicSuite, AcquireSuite) == 0 * sizeof(void*));
static_assert(offsetof(BasicSuite, ReleaseSuite) == 1 * sizeof(void*));

// The basic suite of the message the host sent last; refreshed by the entry point from every
// message before anything else is done.
extern const BasicSuite* gBasicSuite;
