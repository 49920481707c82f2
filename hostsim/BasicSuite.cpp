// The basic suite: hands out the other suites by exact name and version.
//
// An unknown name, or a version the host does not offer, is refused and nothing is written
// to the out-pointer. Each acquisition is counted in the ledger; releasing a suite that is
// not held is a violation.
#include <string>

#include "hostsim/HostCall.h"
#include "hostsim/SuiteTables.h"

namespace hostsim {
namespace {

abi::ErrorCode AcquireSuite(const char* name, std::int32_t version, const void** suite) {
    std::optional<SuiteInfo> info;
    return Serve<abi::basic::AcquireSuite>(
        SuiteId::Basic, "AcquireSuite",
        [&](HostCall& call) {
            call.arg("name", HostCall::text(name))
                .arg("version", std::to_string(version))
                .arg("suite", HostCall::outSlot(suite));
        },
        [&](HostCall& call) -> abi::ErrorCode {
            if (name == nullptr || suite == nullptr) {
                return call.refuse(kBadParameterError, "null name or out-pointer");
            }
            info = FindOfferedSuite(name);
            if (!info) {
                return kNoSuchSuiteError;
            }
            return info->version != version ? kVersionNotOfferedError : 0;
        },
        [&](HostCall& call) {
            *suite = &TableOf(info->id);
            call.host().ledger().acquireSuite(info->name, version);
            call.out("*suite", std::string("table of ") + info->name);
        },
        name == nullptr ? "" : name);
}

abi::ErrorCode ReleaseSuite(const char* name, std::int32_t version) {
    return ServeRelease<abi::basic::ReleaseSuite>(
        SuiteId::Basic, "ReleaseSuite",
        [&](HostCall& call) {
            call.arg("name", HostCall::text(name)).arg("version", std::to_string(version));
        },
        [&](HostCall& call) -> abi::ErrorCode {
            if (name == nullptr) {
                return call.refuse(kBadParameterError, "null name");
            }
            const std::optional<SuiteInfo> info = FindOfferedSuite(name);
            if (!info || info->version != version) {
                return call.refuse(info ? kVersionNotOfferedError : kNoSuchSuiteError,
                                   "release of a suite this host never offered");
            }
            return 0;
        },
        [&](HostCall& call) -> abi::ErrorCode {
            const std::size_t before = call.host().ledger().problems().size();
            if (call.host().ledger().releaseSuite(name, version, "ReleaseSuite")) {
                return 0;
            }
            return call.refuse(kBadHandleError, call.host().ledger().problems().size() > before
                                                    ? call.host().ledger().problems().back().text
                                                    : "suite not held");
        },
        name == nullptr ? "" : name);
}

}  // namespace

const abi::SuiteTable& BasicSuiteTable() {
    static const abi::SuiteTable table = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::Basic>();
        Install<abi::basic::AcquireSuite>(t, &AcquireSuite);
        Install<abi::basic::ReleaseSuite>(t, &ReleaseSuite);
        return t;
    }();
    return table;
}

}  // namespace hostsim
