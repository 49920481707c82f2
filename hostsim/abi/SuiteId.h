// The suites the stand-in host offers, by name and version.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "hostsim/abi/HostAbi.h"

namespace hostsim {

struct SuiteInfo {
    SuiteId id;
    const char* name;
    std::int32_t version;  // the one version offered
};

// The basic suite's own description ("SP Basic Suite"); it is not acquired by name.
const SuiteInfo& BasicSuiteInfo();
// The eleven suites that can be acquired through the basic suite.
std::span<const SuiteInfo> OfferedSuites();
const SuiteInfo& InfoOf(SuiteId id);
// The offered suite called exactly `name` (case-sensitive, whole string).
std::optional<SuiteInfo> FindOfferedSuite(std::string_view name);

}  // namespace hostsim
