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
    HostCall call(SuiteId::Basic, abi::basic::AcquireSuite::number, "AcquireSuite",
                  name == nullptr ? "" : name);
    if (!call) {
        return NoActiveHost("SP Basic Suite", "AcquireSuite");
    }
    call.arg("name", HostCall::text(name))
        .arg("version", std::to_string(version))
        .arg("suite", HostCall::outSlot(suite));
    if (name == nullptr || suite == nullptr) {
        return call.violation(kBadParameterError, "null name or out-pointer");
    }
    const std::optional<SuiteInfo> info = FindOfferedSuite(name);
    if (!info) {
        return call.finish(kNoSuchSuiteError);
    }
    if (info->version != version) {
        return call.finish(kVersionNotOfferedError);
    }
    if (call.fault().kind != Fault::Kind::None) {
        return call.finishWithFault();
    }
    *suite = &TableOf(info->id);
    call.host().ledger().acquireSuite(info->name, version);
    call.out("*suite", std::string("table of ") + info->name);
    return call.finish(0);
}

abi::ErrorCode ReleaseSuite(const char* name, std::int32_t version) {
    HostCall call(SuiteId::Basic, abi::basic::ReleaseSuite::number, "ReleaseSuite",
                  name == nullptr ? "" : name);
    if (!call) {
        return NoActiveHost("SP Basic Suite", "ReleaseSuite");
    }
    call.arg("name", HostCall::text(name)).arg("version", std::to_string(version));
    if (name == nullptr) {
        return call.violation(kBadParameterError, "null name");
    }
    const std::optional<SuiteInfo> info = FindOfferedSuite(name);
    if (!info || info->version != version) {
        return call.violation(info ? kVersionNotOfferedError : kNoSuchSuiteError,
                              "release of a suite this host never offered");
    }
    if (call.fault().answersWithoutWriting()) {
        return call.finishWithFault();
    }
    const std::size_t before = call.host().ledger().problems().size();
    if (!call.host().ledger().releaseSuite(name, version, "ReleaseSuite")) {
        return call.violation(kBadHandleError, call.host().ledger().problems().size() > before
                                                   ? call.host().ledger().problems().back().text
                                                   : "suite not held");
    }
    return call.fault().fails() ? call.finishWithFault() : call.finish(0);
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
