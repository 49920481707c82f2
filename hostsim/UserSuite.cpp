// "AI User Suite" 10: talking to the user. The stand-in host shows no window: an alert is
// recorded, text and order, for a test or the command line to show.
#include "hostsim/HostCall.h"
#include "hostsim/SuiteTables.h"

namespace hostsim {
namespace {

abi::ErrorCode MessageAlert(const abi::Handle* text) {
    HostCall call(SuiteId::User, abi::user::MessageAlert::number, "MessageAlert");
    if (!call) {
        return NoActiveHost("AI User Suite", "MessageAlert");
    }
    call.arg("text", call.inSlot(text));
    if (text == nullptr) {
        return call.violation(kBadParameterError, "null string slot");
    }
    if (!call.live(HandleKind::String, *text)) {
        return call.finish(kBadHandleError);
    }
    if (call.fault().kind != Fault::Kind::None) {
        return call.finishWithFault();
    }
    call.host().recordAlert(*call.host().strings().text(*text));
    return call.finish(0);
}

}  // namespace

const abi::SuiteTable& UserSuiteTable() {
    static const abi::SuiteTable table = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::User>();
        Install<abi::user::MessageAlert>(t, &MessageAlert);
        return t;
    }();
    return table;
}

}  // namespace hostsim
