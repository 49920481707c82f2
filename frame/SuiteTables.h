// The static tables of host suites the module acquires.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/ErrorCode.h"

// One suite to acquire: its host name and version, and the module-global pointer that holds it
// (type-erased: the address of a `const XxxSuite*`). A row with a null target is neither
// acquired nor released; a row with a null name ends a table.
struct SuiteTableRow {
    const char* name;
    std::int32_t version;
    void* target;
};

// When the version of the plug-in table's terminating row holds this code, the rows after it,
// up to the next row with a null name, are optional suites whose absence fails nothing.
inline constexpr std::int32_t kOptionalSuitesMarker = FourCharCode("OPTS");

// The suites the frame itself needs, always all seven, processed by count.
inline constexpr std::size_t kFrameSuiteCount = 7;
extern const SuiteTableRow FrameSuiteTable[kFrameSuiteCount];
