// "SP Plug-ins Suite" 4: what the host records about a plug-in; here only its name.
#include "hostsim/HostCall.h"
#include "hostsim/SuiteTables.h"

namespace hostsim {
namespace {

abi::ErrorCode SetPluginName(abi::Handle plugin, const char* name) {
    HostCall call(SuiteId::Plugins, abi::plugins::SetPluginName::number, "SetPluginName");
    if (!call) {
        return NoActiveHost("SP Plug-ins Suite", "SetPluginName");
    }
    call.arg("plugin", call.handle(plugin)).arg("name", HostCall::text(name));
    if (name == nullptr) {
        return call.violation(kBadParameterError, "null name");
    }
    if (!call.live(HandleKind::PluginRef, plugin)) {
        return call.finish(kBadHandleError);
    }
    if (call.fault().kind != Fault::Kind::None) {
        return call.finishWithFault();
    }
    call.host().plugins().plugin(plugin)->namesSet.emplace_back(name);
    return call.finish(0);
}

}  // namespace

const abi::SuiteTable& PluginsSuiteTable() {
    static const abi::SuiteTable table = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::Plugins>();
        Install<abi::plugins::SetPluginName>(t, &SetPluginName);
        return t;
    }();
    return table;
}

}  // namespace hostsim
