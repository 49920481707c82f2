// "SP Access Suite" 3: access references that keep a plug-in's code in memory while held.
#include "hostsim/suites/HostCall.h"
#include "hostsim/suites/SuiteTables.h"

namespace hostsim {
namespace {

abi::ErrorCode AcquirePlugin(abi::Handle plugin, abi::Handle* access) {
    return Serve<abi::access::AcquirePlugin>(
        SuiteId::Access, "AcquirePlugin",
        [&](HostCall& call) {
            call.Arg("plugin", call.Handle(plugin)).Arg("access", HostCall::OutSlot(access));
        },
        [&](HostCall& call) {
            return access == nullptr ? call.Violation(kBadParameterError, "null out-pointer")
                                     : call.CheckLive(HandleKind::PluginRef, plugin);
        },
        [&](HostCall& call) {
            *access = call.ActiveHost().Ledger().Issue(HandleKind::AccessRef,
                                                       HandleOrigin::PluginRequest);
            call.Out("*access", [&] { return call.Handle(*access); });
        });
}

abi::ErrorCode ReleasePlugin(abi::Handle access) {
    return ServeRelease<abi::access::ReleasePlugin>(
        SuiteId::Access, "ReleasePlugin",
        [&](HostCall& call) { call.Arg("access", call.Handle(access)); }, NothingToCheck,
        [&](HostCall& call) {
            return call.Release(HandleKind::AccessRef, access) ? 0 : kBadHandleError;
        });
}

}  // namespace

const abi::SuiteTable& AccessSuiteTable() {
    static const abi::SuiteTable kTable = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::Access>();
        Install<abi::access::AcquirePlugin>(t, &AcquirePlugin);
        Install<abi::access::ReleasePlugin>(t, &ReleasePlugin);
        return t;
    }();
    return kTable;
}

}  // namespace hostsim
