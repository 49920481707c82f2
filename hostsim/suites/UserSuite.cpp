// "AI User Suite" 10: talking to the user. The stand-in host shows no window: an alert is
// recorded, text and order, for a test or the command line to show.
#include "hostsim/suites/HostCall.h"
#include "hostsim/suites/SuiteTables.h"

namespace hostsim {
namespace {

abi::ErrorCode MessageAlert(const abi::Handle* text) {
    return Serve<abi::user::MessageAlert>(
        SuiteId::User, "MessageAlert", [&](HostCall& call) { call.Arg("text", call.InSlot(text)); },
        [&](HostCall& call) {
            return text == nullptr ? call.Violation(kBadParameterError, "null string slot")
                                   : call.CheckLive(HandleKind::String, *text);
        },
        [&](HostCall& call) {
            call.ActiveHost().RecordAlert(*call.ActiveHost().Strings().Text(*text));
        });
}

}  // namespace

const abi::SuiteTable& UserSuiteTable() {
    static const abi::SuiteTable kTable = [] {
        abi::SuiteTable t = MakeStubTable<SuiteId::User>();
        Install<abi::user::MessageAlert>(t, &MessageAlert);
        return t;
    }();
    return kTable;
}

}  // namespace hostsim
