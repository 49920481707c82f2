// "SP Plug-ins Suite" 4: what the host records about a plug-in; here only its name.
#include "hostsim/suites/HostCall.h"
#include "hostsim/suites/SuiteTables.h"

namespace hostsim {
namespace {

abi::ErrorCode SetPluginName(abi::Handle plugin, const char* name) {
    return Serve<abi::plugins::SetPluginName>(
        SuiteId::Plugins, "SetPluginName",
        [&](HostCall& call) {
            call.Arg("plugin", call.Handle(plugin)).Arg("name", HostCall::Text(name));
        },
        [&](HostCall& call) {
            return name == nullptr ? call.Violation(kBadParameterError, "null name")
                                   : call.CheckLive(HandleKind::PluginRef, plugin);
        },
        [&](HostCall& call) {
            call.ActiveHost().Plugins().Plugin(plugin)->namesSet.emplace_back(name);
        });
}

}  // namespace

const abi::SuiteTable& PluginsSuiteTable() {
    static const abi::SuiteTable kTable = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::Plugins>();
        Install<abi::plugins::SetPluginName>(t, &SetPluginName);
        return t;
    }();
    return kTable;
}

}  // namespace hostsim
