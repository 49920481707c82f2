// The basic suite: hands out the other suites by exact name and version.
//
// An unknown name, or a version the host does not offer, is refused and nothing is written
// to the out-pointer. Each acquisition is counted in the ledger; releasing a suite that is
// not held is a violation.
#include <string>

#include "hostsim/suites/HostCall.h"
#include "hostsim/suites/SuiteTables.h"

namespace hostsim {
namespace {

abi::ErrorCode AcquireSuite(const char* name, std::int32_t version, const void** suite) {
    std::optional<SuiteInfo> info;
    return Serve<abi::basic::AcquireSuite>(
        SuiteId::Basic, "AcquireSuite",
        [&](HostCall& call) {
            call.Arg("name", HostCall::Text(name))
                .Arg("version", std::to_string(version))
                .Arg("suite", HostCall::OutSlot(suite));
        },
        [&](HostCall& call) -> abi::ErrorCode {
            if (name == nullptr || suite == nullptr) {
                return call.Violation(kBadParameterError, "null name or out-pointer");
            }
            info = FindOfferedSuite(name);
            if (!info) {
                return kNoSuchSuiteError;
            }
            return info->version != version ? kVersionNotOfferedError : 0;
        },
        [&](HostCall& call) {
            *suite = &TableOf(info->id);
            call.ActiveHost().Ledger().AcquireSuite(info->name, version);
            call.Out("*suite", [&] { return std::string("table of ") + info->name; });
        },
        name == nullptr ? "" : name);
}

abi::ErrorCode ReleaseSuite(const char* name, std::int32_t version) {
    return ServeRelease<abi::basic::ReleaseSuite>(
        SuiteId::Basic, "ReleaseSuite",
        [&](HostCall& call) {
            call.Arg("name", HostCall::Text(name)).Arg("version", std::to_string(version));
        },
        [&](HostCall& call) -> abi::ErrorCode {
            if (name == nullptr) {
                return call.Violation(kBadParameterError, "null name");
            }
            const std::optional<SuiteInfo> info = FindOfferedSuite(name);
            if (!info || info->version != version) {
                return call.Violation(info ? kVersionNotOfferedError : kNoSuchSuiteError,
                                      "release of a suite this host never offered");
            }
            return 0;
        },
        [&](HostCall& call) { return call.ReleaseSuite(name, version) ? 0 : kBadHandleError; },
        name == nullptr ? "" : name);
}

}  // namespace

const abi::SuiteTable& BasicSuiteTable() {
    static const abi::SuiteTable kTable = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::Basic>();
        Install<abi::basic::AcquireSuite>(t, &AcquireSuite);
        Install<abi::basic::ReleaseSuite>(t, &ReleaseSuite);
        return t;
    }();
    return kTable;
}

}  // namespace hostsim
