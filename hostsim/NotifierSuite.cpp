// "AI Notifier Suite" 3: registrations for notifications. A notifier stays registered for
// the rest of the host's life; a plug-in never removes it.
#include "hostsim/HostCall.h"
#include "hostsim/SuiteTables.h"

namespace hostsim {
namespace {

abi::ErrorCode AddNotifier(abi::Handle plugin, const char* name, const char* type,
                           abi::Handle* notifier) {
    return Serve<abi::notifier::AddNotifier>(
        SuiteId::Notifier, "AddNotifier",
        [&](HostCall& call) {
            call.arg("plugin", call.handle(plugin))
                .arg("name", HostCall::text(name))
                .arg("type", HostCall::text(type))
                .arg("notifier", notifier == nullptr ? "null" : "&slot");
        },
        [&](HostCall& call) {
            return name == nullptr || type == nullptr
                       ? call.refuse(kBadParameterError, "null name or type")
                       : call.checkLive(HandleKind::PluginRef, plugin);
        },
        [&](HostCall& call) {
            const abi::Handle handle = call.host().plugins().addNotifier(plugin, name, type);
            if (notifier != nullptr) {
                *notifier = handle;
                call.out("*notifier", call.handle(handle));
            }
        });
}

}  // namespace

const abi::SuiteTable& NotifierSuiteTable() {
    static const abi::SuiteTable table = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::Notifier>();
        Install<abi::notifier::AddNotifier>(t, &AddNotifier);
        return t;
    }();
    return table;
}

}  // namespace hostsim
