#include "hostsim/loader/CleanEnd.h"

namespace hostsim {

std::string ProblemsAtEnd(const Host& host, const Session& session) {
    if (session.InstanceSlot() != nullptr) {
        return "the instance slot still holds the plug-in object after shut-down\n" +
               host.ProblemReport(kLeftToHostByDesign);
    }
    return host.ProblemReport(kLeftToHostByDesign);
}

}  // namespace hostsim
