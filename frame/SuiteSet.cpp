#include "frame/SuiteSet.h"

#include "frame/PluginHooks.h"
#include "host/SuiteHold.h"
#include "host/UserSuite.h"

std::uint16_t gSuiteUseCount = 0;

bool SuiteTablesHeld() noexcept {
    return gUserSuite != nullptr;
}

namespace {

// Asks the host for one suite. A table the host claims to have given but did not write counts
// as a refusal with 'CANT', so that nothing is called through a null pointer later.
ErrorCode AcquireRow(const SuiteTableRow& row) {
    const ErrorCode result = SuiteHold::AcquireInto(gBasicSuite, row.name, row.version, row.target);
    return result == kNoError && SuiteHold::Load(row.target) == nullptr ? kCantError : result;
}

// Gives one suite back when its pointer is set (see SuiteHold::ReleaseFrom); `released` says
// whether a release was made.
ErrorCode ReleaseRow(const SuiteTableRow& row, bool& released) {
    released = row.target != nullptr && SuiteHold::Load(row.target) != nullptr;
    return row.target == nullptr
               ? kNoError
               : SuiteHold::ReleaseFrom(gBasicSuite, row.name, row.version, row.target);
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
    if (const SuiteTableRow* optional = OptionalRows()) {
        for (const SuiteTableRow* row = optional; row->name != nullptr; ++row) {
            ++optionalCount;
        }
    }
    if (acquireError == kNoError) {
        AcquireOptionalSuites();
    }
}

// Suites go back in the order they came, row by row, each pointer cleared. Only the optional
// pass also looks at whether a release was made, because it alone counts what it holds.
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
        if (SuiteHold::Load(row->target) == nullptr && AcquireRow(*row) == kNoError) {
            ++optionalAcquired;
        }
    }
}
