// The clock of the error reporter's repeat window: calendar time in whole seconds.
#pragma once

#include <cstdint>

using ReportClockFunction = std::int64_t (*)();

// The system's calendar time in whole seconds (the one platform-specific reading).
std::int64_t SystemClockSeconds();

// What the reporter reads: the system clock unless a test has put another in its place.
std::int64_t ReportClockNow();

// Replaces the reporter's clock and returns the previous one; null restores the system clock.
// Only tests that link the module's code directly call this.
ReportClockFunction SetReportClock(ReportClockFunction clock);
