// "AI Notifier Suite" 3: registrations for notifications. A notifier stays registered for
// the rest of the host's life; a plug-in never removes it.
#include "hostsim/suites/HostCall.h"
#include "hostsim/suites/SuiteTables.h"

namespace hostsim {
namespace {

abi::ErrorCode AddNotifier(abi::Handle plugin, const char* name, const char* type,
                           abi::Handle* notifier) {
    return Serve<abi::notifier::AddNotifier>(
        SuiteId::Notifier, "AddNotifier",
        [&](HostCall& call) {
            call.Arg("plugin", call.Handle(plugin))
                .Arg("name", HostCall::Text(name))
                .Arg("type", HostCall::Text(type))
                .Arg("notifier", notifier == nullptr ? "null" : "&slot");
        },
        [&](HostCall& call) {
            return name == nullptr || type == nullptr
                       ? call.Violation(kBadParameterError, "null name or type")
                       : call.CheckLive(HandleKind::PluginRef, plugin);
        },
        [&](HostCall& call) {
            const abi::Handle handle = call.ActiveHost().Plugins().AddNotifier(plugin, name, type);
            if (notifier != nullptr) {
                *notifier = handle;
                call.Out("*notifier", [&] { return call.Handle(handle); });
            }
        });
}

}  // namespace

const abi::SuiteTable& NotifierSuiteTable() {
    static const abi::SuiteTable kTable = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::Notifier>();
        Install<abi::notifier::AddNotifier>(t, &AddNotifier);
        return t;
    }();
    return kTable;
}

}  // namespace hostsim
