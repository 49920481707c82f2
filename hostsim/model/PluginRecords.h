// What the host knows about each plug-in it runs: the reference it gave it, the name the
// plug-in registered, its notifiers, its access references and the contexts it entered.
#pragma once

#include <string>
#include <vector>

#include "hostsim/model/HandleLedger.h"

namespace hostsim {

struct NotifierRecord {
    abi::Handle handle = nullptr;
    abi::Handle plugin = nullptr;
    std::string name;
    std::string type;
};

struct PluginRecord {
    abi::Handle ref = nullptr;
    std::string label;                  // the host's own name for it, e.g. the file name
    std::vector<std::string> namesSet;  // each name the plug-in registered, in order
};

class PluginRecords {
  public:
    explicit PluginRecords(HandleLedger& ledger) : ledger_(ledger) {}
    PluginRecords(const PluginRecords&) = delete;
    PluginRecords& operator=(const PluginRecords&) = delete;

    // A new plug-in reference; the host's own handle, never given back.
    abi::Handle AddPlugin(std::string label);
    PluginRecord* Plugin(abi::Handle ref);
    const std::vector<PluginRecord>& Plugins() const { return plugins_; }

    abi::Handle AddNotifier(abi::Handle plugin, std::string name, std::string type);
    const std::vector<NotifierRecord>& Notifiers() const { return notifiers_; }
    // The first notifier of `plugin` for `type`, or null.
    abi::Handle NotifierFor(abi::Handle plugin, const std::string& type) const;

    // Contexts entered and not yet left, innermost last.
    std::vector<abi::Handle>& OpenContexts() { return openContexts_; }
    const std::vector<abi::Handle>& OpenContexts() const { return openContexts_; }
    int ContextsEntered() const { return contextsEntered_; }
    void CountContextEntered() { ++contextsEntered_; }

  private:
    HandleLedger& ledger_;
    std::vector<PluginRecord> plugins_;
    std::vector<NotifierRecord> notifiers_;
    std::vector<abi::Handle> openContexts_;
    int contextsEntered_ = 0;
};

}  // namespace hostsim
