#include "hostsim/model/Host.h"

#include <stdexcept>

namespace hostsim {
namespace {

// Touched only by Host's constructor and destructor and read by the suite entries, all on
// the thread that drives the plug-in: the host calls a plug-in one message at a time.
Host* gActiveHost = nullptr;

}  // namespace

Host::Host(const HostConfig& config)
    : strings_(ledger_),
      artboards_(ledger_),
      menus_(ledger_, config.menuGroups),
      plugins_(ledger_) {
    if (gActiveHost != nullptr) {
        throw std::logic_error("another stand-in host is active; only one can serve the suites");
    }
    gActiveHost = this;
    if (config.keepCallLog) {
        calls_.Enable();
    }
}

Host::~Host() {
    gActiveHost = nullptr;
}

Host* Host::Active() {
    return gActiveHost;
}

std::string Host::ProblemReport(const std::set<HandleKind>& leftToHost) const {
    std::string text = ledger_.Report(leftToHost);
    for (const std::string& violation : violations_) {
        text += "violation: " + violation + "\n";
    }
    return text;
}

}  // namespace hostsim
