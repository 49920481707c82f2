// "SP Access Suite" 3: access references that keep a plug-in's code in memory while held.
#include "hostsim/HostCall.h"
#include "hostsim/SuiteTables.h"

namespace hostsim {
namespace {

abi::ErrorCode AcquirePlugin(abi::Handle plugin, abi::Handle* access) {
    HostCall call(SuiteId::Access, abi::access::AcquirePlugin::number, "AcquirePlugin");
    if (!call) {
        return NoActiveHost("SP Access Suite", "AcquirePlugin");
    }
    call.arg("plugin", call.handle(plugin)).arg("access", HostCall::outSlot(access));
    if (access == nullptr) {
        return call.violation(kBadParameterError, "null out-pointer");
    }
    if (!call.live(HandleKind::PluginRef, plugin)) {
        return call.finish(kBadHandleError);
    }
    if (call.fault().kind != Fault::Kind::None) {
        return call.finishWithFault();
    }
    *access = call.host().ledger().issue(HandleKind::AccessRef, HandleOrigin::PluginRequest,
                                         "access to " + call.handle(plugin));
    call.out("*access", call.handle(*access));
    return call.finish(0);
}

abi::ErrorCode ReleasePlugin(abi::Handle access) {
    HostCall call(SuiteId::Access, abi::access::ReleasePlugin::number, "ReleasePlugin");
    if (!call) {
        return NoActiveHost("SP Access Suite", "ReleasePlugin");
    }
    call.arg("access", call.handle(access));
    if (call.fault().answersWithoutWriting()) {
        return call.finishWithFault();
    }
    if (!call.release(HandleKind::AccessRef, access)) {
        return call.finish(kBadHandleError);
    }
    return call.fault().fails() ? call.finishWithFault() : call.finish(0);
}

}  // namespace

const abi::SuiteTable& AccessSuiteTable() {
    static const abi::SuiteTable table = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::Access>();
        Install<abi::access::AcquirePlugin>(t, &AcquirePlugin);
        Install<abi::access::ReleasePlugin>(t, &ReleasePlugin);
        return t;
    }();
    return table;
}

}  // namespace hostsim
