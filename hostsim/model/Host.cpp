#include "hostsim/model/Host.h"

#include <stdexcept>

namespace hostsim {
Host::Host(const HostConfig& config)
    : strings_(ledger_),
      artboards_(ledger_),
      menus_(ledger_, config.menuGroups),
      plugins_(ledger_) {
    if (gActive != nullptr) {
        throw std::logic_error("another stand-in host is active; only one can serve the suites");
    }
    gActive = this;
    if (config.keepCallLog) {
        calls_.Enable();
    }
}

Host::~Host() {
    gActive = nullptr;
}

std::string Host::ProblemReport(const std::set<HandleKind>& leftToHost) const {
    std::string text = ledger_.Report(leftToHost);
    for (const std::string& violation : violations_) {
        text += "violation: " + violation + "\n";
    }
    return text;
}

}  // namespace hostsim
