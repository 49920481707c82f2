#include "frame/ErrorReporter.h"

#include "frame/ReportClock.h"
#include "frame/SuiteSet.h"
#include "host/SuiteHold.h"
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
    if (IsSilentError(error) || SuiteTablesHeld() || gBasicSuite == nullptr) {
        return;
    }
    const UserSuite* userSuite = nullptr;
    SuiteHold user(gBasicSuite, kUserSuiteName, kUserSuiteVersion, userSuite);
    if (user.Acquired() != kNoError) {
        user.Abandon();  // only a suite the host agreed to give is given back
    }
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
