#include <ctime>

#include "frame/ReportClock.h"

std::int64_t SystemClockSeconds() {
    return static_cast<std::int64_t>(std::time(nullptr));
}
