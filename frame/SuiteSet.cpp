#include "frame/SuiteSet.h"

#include <cstring>

#include "frame/SuiteTables.h"
#include "host/BasicSuite.h"

std::uint16_t gSuiteUseCount = 0;

namespace {

// The targets are typed suite pointers seen through void*; they are read and written as
// bytes so that no pointer of one type is accessed through another.
const void* LoadTarget(void* target) {
    const void* value = nullptr;
    std::memcpy(&value, target, sizeof value);
    return value;
}

void StoreTarget(void* target, const void* value) {
    std::memcpy(target, &value, sizeof value);
}

// Asks the host for one suite. The target ends holding whatever the host wrote, or what it
// held before when the host wrote nothing.
ErrorCode AcquireRow(const SuiteTableRow& row) {
    const void* suite = LoadTarget(row.target);
    ErrorCode result = gBasicSuite->AcquireSuite(row.name, row.version, &suite);
    StoreTarget(row.target, suite);
    if (result == kNoError && suite == nullptr) {
        result = kCantError;
    }
    return result;
}

// Gives one suite back when its pointer is set; the pointer is cleared whatever the host says.
ErrorCode ReleaseRow(const SuiteTableRow& row, bool& released) {
    released = false;
    if (row.target == nullptr || LoadTarget(row.target) == nullptr) {
        return kNoError;
    }
    const ErrorCode result = gBasicSuite->ReleaseSuite(row.name, row.version);
    StoreTarget(row.target, nullptr);
    released = true;
    return result;
}

const SuiteTableRow* PluginTableEnd() {
    const SuiteTableRow* row = PluginSuiteTable;
    while (row->name != nullptr) {
        ++row;
    }
    return row;
}

// The first optional row, or null when the table has none.
const SuiteTableRow* OptionalRows() {
    const SuiteTableRow* end = PluginTableEnd();
    if (end->version != kOptionalSuitesMarker || end[1].name == nullptr) {
        return nullptr;
    }
    return end + 1;
}

ErrorCode AcquireTables() {
    if (gSuiteUseCount == 0) {
        for (const SuiteTableRow& row : FrameSuiteTable) {
            if (row.target != nullptr) {
                if (const ErrorCode result = AcquireRow(row); result != kNoError) {
                    return result;
                }
            }
        }
        for (const SuiteTableRow* row = PluginSuiteTable; row->name != nullptr; ++row) {
            if (row->target != nullptr) {
                if (const ErrorCode result = AcquireRow(*row); result != kNoError) {
                    return result;
                }
            }
        }
    }
    ++gSuiteUseCount;
    return kNoError;
}

}  // namespace

SuiteSet::SuiteSet() noexcept {
    acquireError = AcquireTables();
    requiredCount = static_cast<std::uint16_t>(PluginTableEnd() - PluginSuiteTable);
    if (const SuiteTableRow* optional = OptionalRows()) {
        for (const SuiteTableRow* row = optional; row->name != nullptr; ++row) {
            ++optionalCount;
        }
    }
    if (acquireError == kNoError) {
        AcquireOptionalSuites();
    }
}

SuiteSet::~SuiteSet() {
    --gSuiteUseCount;
    if (gSuiteUseCount != 0) {
        return;  // other owners still use the tables
    }
    // Every held suite is released even after one release was refused: stopping there would
    // leave the later suites held by a module that is going away. Nobody reads the results.
    bool released = false;
    for (const SuiteTableRow& row : FrameSuiteTable) {
        ReleaseRow(row, released);
    }
    for (const SuiteTableRow* row = PluginSuiteTable; row->name != nullptr; ++row) {
        ReleaseRow(*row, released);
    }
    if (const SuiteTableRow* optional = OptionalRows()) {
        for (const SuiteTableRow* row = optional; row->name != nullptr; ++row) {
            ReleaseRow(*row, released);
            if (released) {
                --optionalAcquired;
            }
        }
    }
}

void SuiteSet::AcquireOptionalSuites() noexcept {
    if (optionalAcquired == optionalCount) {
        return;
    }
    const SuiteTableRow* row = OptionalRows();
    for (std::uint16_t i = 0; row != nullptr && i < optionalCount && row->target != nullptr;
         ++i, ++row) {
        if (LoadTarget(row->target) == nullptr && AcquireRow(*row) == kNoError) {
            ++optionalAcquired;
        }
    }
}
