// "AI Context Suite" 6: the application context a plug-in enters outside a command. Contexts
// nest; each one entered must be left, innermost first.
#include <algorithm>

#include "hostsim/suites/HostCall.h"
#include "hostsim/suites/SuiteTables.h"

namespace hostsim {
namespace {

abi::ErrorCode PushAppContext(abi::Handle plugin, abi::Handle* context) {
    return Serve<abi::context::PushAppContext>(
        SuiteId::Context, "PushAppContext",
        [&](HostCall& call) {
            call.Arg("plugin", call.Handle(plugin)).Arg("context", HostCall::OutSlot(context));
        },
        [&](HostCall& call) {
            return context == nullptr ? call.Violation(kBadParameterError, "null out-pointer")
                                      : call.CheckLive(HandleKind::PluginRef, plugin);
        },
        [&](HostCall& call) {
            *context = call.ActiveHost().Ledger().Issue(HandleKind::AppContext,
                                                        HandleOrigin::PluginRequest);
            call.ActiveHost().Plugins().OpenContexts().push_back(*context);
            call.ActiveHost().Plugins().CountContextEntered();
            call.Out("*context", [&] { return call.Handle(*context); });
        });
}

abi::ErrorCode PopAppContext(abi::Handle context) {
    return ServeRelease<abi::context::PopAppContext>(
        SuiteId::Context, "PopAppContext",
        [&](HostCall& call) { call.Arg("context", call.Handle(context)); }, NothingToCheck,
        [&](HostCall& call) -> abi::ErrorCode {
            if (!call.Release(HandleKind::AppContext, context)) {
                return kBadHandleError;
            }
            std::vector<abi::Handle>& open = call.ActiveHost().Plugins().OpenContexts();
            if (open.empty() || open.back() != context) {
                call.Violation(0, "left a context that is not the innermost one");
            }
            open.erase(std::remove(open.begin(), open.end(), context), open.end());
            return 0;
        });
}

}  // namespace

const abi::SuiteTable& ContextSuiteTable() {
    static const abi::SuiteTable kTable = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::Context>();
        Install<abi::context::PushAppContext>(t, &PushAppContext);
        Install<abi::context::PopAppContext>(t, &PopAppContext);
        return t;
    }();
    return kTable;
}

}  // namespace hostsim
