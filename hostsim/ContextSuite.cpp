// "AI Context Suite" 6: the application context a plug-in enters outside a command. Contexts
// nest; each one entered must be left, innermost first.
#include <algorithm>

#include "hostsim/HostCall.h"
#include "hostsim/SuiteTables.h"

namespace hostsim {
namespace {

abi::ErrorCode PushAppContext(abi::Handle plugin, abi::Handle* context) {
    return Serve<abi::context::PushAppContext>(
        SuiteId::Context, "PushAppContext",
        [&](HostCall& call) {
            call.arg("plugin", call.handle(plugin)).arg("context", HostCall::outSlot(context));
        },
        [&](HostCall& call) {
            return context == nullptr ? call.refuse(kBadParameterError, "null out-pointer")
                                      : call.checkLive(HandleKind::PluginRef, plugin);
        },
        [&](HostCall& call) {
            *context =
                call.host().ledger().issue(HandleKind::AppContext, HandleOrigin::PluginRequest,
                                           "context of " + call.handle(plugin));
            call.host().plugins().openContexts().push_back(*context);
            call.host().plugins().countContextEntered();
            call.out("*context", call.handle(*context));
        });
}

abi::ErrorCode PopAppContext(abi::Handle context) {
    return ServeRelease<abi::context::PopAppContext>(
        SuiteId::Context, "PopAppContext",
        [&](HostCall& call) { call.arg("context", call.handle(context)); }, NothingToCheck,
        [&](HostCall& call) -> abi::ErrorCode {
            if (!call.release(HandleKind::AppContext, context)) {
                return kBadHandleError;
            }
            std::vector<abi::Handle>& open = call.host().plugins().openContexts();
            if (open.empty() || open.back() != context) {
                call.noteViolation("left a context that is not the innermost one");
            }
            open.erase(std::remove(open.begin(), open.end(), context), open.end());
            return 0;
        });
}

}  // namespace

const abi::SuiteTable& ContextSuiteTable() {
    static const abi::SuiteTable table = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::Context>();
        Install<abi::context::PushAppContext>(t, &PushAppContext);
        Install<abi::context::PopAppContext>(t, &PopAppContext);
        return t;
    }();
    return table;
}

}  // namespace hostsim
