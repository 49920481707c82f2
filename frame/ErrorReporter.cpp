#include "frame/ErrorReporter.h"

#include "frame/ReportClock.h"
#include "host/BasicSuite.h"
#include "host/UserSuite.h"

constexpr ErrorCode SilentErrorTable[] = {
    FourCharCode("FMT?"),
    FourCharCode("RFSE"),
    FourCharCode("AFTR"),
    FourCharCode("VALD"),
    FourCharCode("MOOT"),
    FourCharCode("TRSH"),
    FourCharCode("CHEK"),
    FourCharCode("CHIT"),
    FourCharCode("TLTK"),
    FourCharCode("pFls"),
    FourCharCode("S!Fd"),
    FourCharCode("!Acq"),
    FourCharCode("dsRP"),
    FourCharCode("skpE"),
    FourCharCode("DONE"),
    FourCharCode("STOP"),
    361,
    0,
};

bool IsSilentError(ErrorCode code) noexcept {
    for (const ErrorCode* entry = SilentErrorTable; *entry != 0; ++entry) {
        if (*entry == code) {
            return true;
        }
    }
    return false;
}

void ReportErrorToHost(PluginRef /*pluginRef*/, ErrorCode error) noexcept {
    if (IsSilentError(error) || gUserSuite != nullptr || gBasicSuite == nullptr) {
        return;
    }
    const void* suite = nullptr;
    const ErrorCode acquired = gBasicSuite->AcquireSuite(kUserSuiteName, kUserSuiteVersion, &suite);
    gUserSuite = static_cast<const UserSuite*>(suite);
    if (acquired == kNoError && gUserSuite != nullptr) {
        gBasicSuite->ReleaseSuite(kUserSuiteName, kUserSuiteVersion);
    }
    // Whatever the host answered, the suite is not held now: the pointer must say so.
    gUserSuite = nullptr;
}

namespace {
ReportClockFunction gReportClock = nullptr;
}  // namespace

std::int64_t ReportClockNow() {
    return gReportClock != nullptr ? gReportClock() : SystemClockSeconds();
}

ReportClockFunction SetReportClock(ReportClockFunction clock) {
    const ReportClockFunction previous = gReportClock;
    gReportClock = clock;
    return previous;
}
