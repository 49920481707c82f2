// "AI Context Suite" 6: the application context a plug-in enters outside a command. Contexts
// nest; each one entered must be left, innermost first.
#include <algorithm>

#include "hostsim/HostCall.h"
#include "hostsim/SuiteTables.h"

namespace hostsim {
namespace {

abi::ErrorCode PushAppContext(abi::Handle plugin, abi::Handle* context) {
    HostCall call(SuiteId::Context, abi::context::PushAppContext::number, "PushAppContext");
    if (!call) {
        return NoActiveHost("AI Context Suite", "PushAppContext");
    }
    call.arg("plugin", call.handle(plugin)).arg("context", HostCall::outSlot(context));
    if (context == nullptr) {
        return call.violation(kBadParameterError, "null out-pointer");
    }
    if (!call.live(HandleKind::PluginRef, plugin)) {
        return call.finish(kBadHandleError);
    }
    if (call.fault().kind != Fault::Kind::None) {
        return call.finishWithFault();
    }
    *context = call.host().ledger().issue(HandleKind::AppContext, HandleOrigin::PluginRequest,
                                          "context of " + call.handle(plugin));
    call.host().plugins().openContexts().push_back(*context);
    call.host().plugins().countContextEntered();
    call.out("*context", call.handle(*context));
    return call.finish(0);
}

abi::ErrorCode PopAppContext(abi::Handle context) {
    HostCall call(SuiteId::Context, abi::context::PopAppContext::number, "PopAppContext");
    if (!call) {
        return NoActiveHost("AI Context Suite", "PopAppContext");
    }
    call.arg("context", call.handle(context));
    if (call.fault().answersWithoutWriting()) {
        return call.finishWithFault();
    }
    if (!call.release(HandleKind::AppContext, context)) {
        return call.finish(kBadHandleError);
    }
    std::vector<abi::Handle>& open = call.host().plugins().openContexts();
    if (open.empty() || open.back() != context) {
        call.noteViolation("left a context that is not the innermost one");
    }
    open.erase(std::remove(open.begin(), open.end(), context), open.end());
    return call.fault().fails() ? call.finishWithFault() : call.finish(0);
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
