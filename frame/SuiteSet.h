// SuiteSet: the host suites of both tables, held for as long as the object lives.
#pragma once

#include <cstdint>

#include "host/ErrorCode.h"

// Number of live SuiteSet objects sharing the acquired tables. The tables are acquired when it
// goes from 0 to 1 and released when it comes back to 0. The owners (start-up and reload) force
// it to exactly 1 after constructing their set, whatever the acquisition returned, so that
// destroying that set releases exactly what is held.
extern std::uint16_t gSuiteUseCount;

// Whether the suite tables are held. The user suite is one of them, so its pointer tells.
bool SuiteTablesHeld() noexcept;

// Constructing acquires, destroying releases. Allocated by its owner without throwing; never
// fails itself: the caller reads AcquireError() afterwards.
class SuiteSet {
  public:
    // When no other set holds the tables, acquires the frame table's seven suites in order,
    // then the plug-in table's; stops at the first refusal with the host's code (the suites
    // before it stay held until destruction). A table the host claims to have given but did
    // not write counts as a refusal with 'CANT'. Then acquires the optional suites.
    SuiteSet() noexcept;
    // Gives one use back; the last one releases every held suite in table order, clearing each
    // pointer even when its release fails, and goes on after a failed release, so that no suite
    // stays held by a module that is going away.
    ~SuiteSet();

    SuiteSet(const SuiteSet&) = delete;
    SuiteSet& operator=(const SuiteSet&) = delete;

    // Acquires the optional suites still missing; failures are ignored and retried next time.
    void AcquireOptionalSuites() noexcept;

    ErrorCode AcquireError() const noexcept { return acquireError; }

  private:
    ErrorCode acquireError = kNoError;
    std::uint16_t optionalCount = 0;
    std::uint16_t optionalAcquired = 0;
};
