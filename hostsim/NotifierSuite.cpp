// "AI Notifier Suite" 3: registrations for notifications. A notifier stays registered for
// the rest of the host's life; a plug-in never removes it.
#include "hostsim/HostCall.h"
#include "hostsim/SuiteTables.h"

namespace hostsim {
namespace {

abi::ErrorCode AddNotifier(abi::Handle plugin, const char* name, const char* type,
                           abi::Handle* notifier) {
    HostCall call(SuiteId::Notifier, abi::notifier::AddNotifier::number, "AddNotifier");
    if (!call) {
        return NoActiveHost("AI Notifier Suite", "AddNotifier");
    }
    call.arg("plugin", call.handle(plugin))
        .arg("name", HostCall::text(name))
        .arg("type", HostCall::text(type))
        .arg("notifier", notifier == nullptr ? "null" : "&slot");
    if (name == nullptr || type == nullptr) {
        return call.violation(kBadParameterError, "null name or type");
    }
    if (!call.live(HandleKind::PluginRef, plugin)) {
        return call.finish(kBadHandleError);
    }
    if (call.fault().kind != Fault::Kind::None) {
        return call.finishWithFault();
    }
    const abi::Handle handle = call.host().plugins().addNotifier(plugin, name, type);
    if (notifier != nullptr) {
        *notifier = handle;
        call.out("*notifier", call.handle(handle));
    }
    return call.finish(0);
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
