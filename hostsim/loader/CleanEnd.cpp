#include "hostsim/loader/CleanEnd.h"

namespace hostsim {

std::string ProblemsAtEnd(const Host& host, const Session& session) {
    if (session.InstanceSlot() != nullptr) {
        return "the instance slot still holds the plug-in object after shut-down\n" +
               host.ProblemReport(kLeftToHostByDesign);
    }
    return host.ProblemReport(kLeftToHostByDesign);
}

std::string ProblemsBetweenMessages(const Host& host) {
    if (!host.Violations().empty()) {
        return "the host saw a contract violation: " + host.Violations().front();
    }
    if (!host.Ledger().Problems().empty()) {
        return "the host's ledger saw misuse: " + host.Ledger().Problems().front().text;
    }
    const auto outstanding = host.Ledger().OutstandingExcept(kLeftToHostByDesign);
    if (!outstanding.empty()) {
        return std::string("a ") + KindName(outstanding.front().kind) +
               " made during a message is still live: " + outstanding.front().description;
    }
    for (const auto& hold : host.Ledger().HeldSuites()) {
        if (hold.count > 1) {
            return "\"" + hold.name + "\" is held " + std::to_string(hold.count) + " times";
        }
    }
    return "";
}

}  // namespace hostsim
